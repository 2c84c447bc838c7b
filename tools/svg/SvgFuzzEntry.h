#pragma once
// One input through the SVG engine, as a fuzz target runs it: parsed, and
// when it loads, drawn at 32 x 32 pixels with both back-ends and as a
// generated bitmap. The library's exceptions are the defined failures of
// bad input and end the run quietly; anything else (a crash, a sanitizer
// report, a hang) is a finding.
//
// A libFuzzer target wraps it as
//   extern "C" int LLVMFuzzerTestOneInput(const uint8_t* d, size_t n) {
//     return svgfuzz::KitSVGFuzzOne(d, n);
//   }
// with a QApplication (offscreen) created once before the first input.

#include <QByteArray>
#include <cstddef>
#include <cstdint>

#include "foundation/KitGraphicsSVGEngine.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Graphics.h"

namespace svgfuzz {

// The outcome of one input, for callers that count them.
enum class TOutcome { Loaded, Refused };

inline TOutcome KitSVGFuzzRun(const uint8_t* AData, size_t ASize) {
  TKitGraphicsSVGImport doc;
  try {
    TBytesStream stream(QByteArray(reinterpret_cast<const char*>(AData), qsizetype(ASize)));
    doc.LoadFromStream(&stream);
  } catch (const Exception&) {
    return TOutcome::Refused;
  }
  try {
    std::unique_ptr<TKitBitmap> bitmap = doc.GenerateBitmap(32, 32);
    for (bool native : {true, false}) {
      TBitmap target(32, 32);
      doc.Draw(target.Canvas(), TRectF(0, 0, 32, 32), native);
    }
  } catch (const Exception&) {
    // A back-end may refuse what it is handed; that is a defined failure.
    return TOutcome::Refused;
  }
  return TOutcome::Loaded;
}

inline int KitSVGFuzzOne(const uint8_t* AData, size_t ASize) {
  KitSVGFuzzRun(AData, ASize);
  return 0;
}

}  // namespace svgfuzz
