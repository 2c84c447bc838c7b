#pragma once
// One input through the SVG engine, as a fuzz target runs it: parsed from a
// file "input.svg" in a folder of its own (so that image references by a
// relative name, the document's own name among them, are followed), and
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
#include <QFile>
#include <QTemporaryDir>
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
  // A folder of its own for every input, gone when the input is done (a
  // test run checks that nothing is left behind).
  QTemporaryDir folder;
  const QString file = folder.filePath(QStringLiteral("input.svg"));
  try {
    QFile out(file);
    if (folder.isValid() && out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
      out.write(reinterpret_cast<const char*>(AData), qint64(ASize));
      out.close();
      doc.LoadFromFile(file);
    } else {
      TBytesStream stream(QByteArray(reinterpret_cast<const char*>(AData), qsizetype(ASize)));
      doc.LoadFromStream(&stream);
    }
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
