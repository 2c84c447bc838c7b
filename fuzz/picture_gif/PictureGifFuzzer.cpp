// Pictures from outside: GIF files: the block walk that finds the file's end, then the decoder.

#include "platform/vcl/GIFImg.h"
#include "fuzz/support/PictureFuzzing.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::QuietMessages();
  fuzz::StartGuiApplication();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  fuzz::FuzzPicture<TGIFImage>(Data, Size);
  return 0;
}
