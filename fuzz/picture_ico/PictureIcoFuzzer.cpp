// Pictures from outside: icon files: the directory, and each image as PNG or as a DIB with its mask.

#include "platform/vcl/Graphics.h"
#include "fuzz/support/PictureFuzzing.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::QuietMessages();
  fuzz::StartGuiApplication();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  fuzz::FuzzPicture<TIcon>(Data, Size);
  return 0;
}
