// Pictures from outside: BMP files: core and info headers, 1 to 32 bits, bit fields, RLE4 and RLE8.

#include "platform/vcl/Graphics.h"
#include "fuzz/support/PictureFuzzing.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::QuietMessages();
  fuzz::StartGuiApplication();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  fuzz::FuzzPicture<TBitmap>(Data, Size);
  return 0;
}
