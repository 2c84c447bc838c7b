// SVG documents from outside: pictures in files, streams and settings. The
// document is parsed over libxml2, and when it loads it is drawn at 32 x 32
// pixels on both back-ends and as a generated bitmap (tools/svg/SvgFuzzEntry.h,
// which the tests' thousand damaged icons run through as well).

#include "fuzz/support/FuzzSupport.h"
#include "tools/svg/SvgFuzzEntry.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::QuietMessages();
  fuzz::StartGuiApplication();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  return svgfuzz::KitSVGFuzzOne(Data, Size);
}
