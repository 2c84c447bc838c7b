// Pictures from outside: JPEG files (libjpeg-turbo behind TJPEGImage).

#include "platform/vcl/Jpeg.h"
#include "fuzz/support/PictureFuzzing.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::QuietMessages();
  fuzz::StartGuiApplication();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  fuzz::FuzzPicture<TJPEGImage>(Data, Size);
  return 0;
}
