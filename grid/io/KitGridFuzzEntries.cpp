#include "grid/io/KitGridFuzzEntries.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <functional>

#include "grid/io/KitGridClipboard.h"
#include "grid/io/KitGridIOSupport.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridLists.h"
#include "platform/office/Word.h"
#include "platform/rtl/Streams.h"

namespace kitgridio {

namespace {

// Merge records point at base cells whose areas hold them; every cell reads.
void CheckGrid(TKitStringGrid& G) {
  for (int c = 0; c < G.ColCount(); ++c)
    for (int r = 0; r < G.RowCount(); ++r) {
      (void)G.Cells(c, r);
      TCellProperties* rec = G.FindCellProperties(c, r);
      if (rec == nullptr || rec->IsBaseCell()) continue;
      const TPoint base = rec->BaseCellOf(c, r);
      if (base.X < 0 || base.Y < 0 || base.X >= G.ColCount() || base.Y >= G.RowCount()) std::abort();
    }
}

bool Guarded(const std::function<void(TKitStringGrid&)>& Load) {
  SetLoadCellCap(1000000);
  auto grid = CreateUnique<TKitStringGrid>(nullptr);
  bool ok = true;
  try {
    Load(*grid);
  } catch (const Exception&) {
    ok = false;
  }
  CheckGrid(*grid);
  SetLoadCellCap(0);
  return ok;
}

// The bytes as a file in a folder of its own, removed with the object.
struct TTempFile {
  explicit TTempFile(const QByteArray& Bytes) : Path(Dir.filePath(QStringLiteral("input"))) {
    QFile f(Path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(Bytes);
  }
  QTemporaryDir Dir;
  QString Path;
};

}  // namespace

bool GridBinStreamFromBytes(const QByteArray& Bytes) {
  const bool full = Guarded([&](TKitStringGrid& G) {
    TBytesStream s(Bytes);
    G.LoadFromBinStream(&s);
  });
  const bool atPoint = Guarded([&](TKitStringGrid& G) {
    G.SetColCount(6);
    G.SetRowCount(6);
    TBytesStream s(Bytes);
    G.LoadAtPointFromBinStream(TPoint(2, 3), &s);
  });
  return full && atPoint;
}

bool GridTextStreamFromBytes(const QByteArray& Bytes) {
  return Guarded([&](TKitStringGrid& G) {
    TBytesStream s(Bytes);
    G.LoadFromStream(&s);
  });
}

bool GridTextFileFromBytes(const QByteArray& Bytes) {
  const TTempFile file(Bytes);
  return Guarded([&](TKitStringGrid& G) { G.LoadFromFile(file.Path); });
}

bool GridFixedFromBytes(const QByteArray& Bytes) {
  const TTempFile file(Bytes);
  return Guarded([&](TKitStringGrid& G) {
    TIntList pos(0, 0);
    pos.SetStrValue(QStringLiteral("9,1,4"));
    G.LoadFromFixed(file.Path, &pos, true, -1);
  });
}

bool GridXMLFromBytes(const QByteArray& Bytes) {
  const bool flat = Guarded([&](TKitStringGrid& G) { G.LoadFromXMLBytes(Bytes, false, true); });
  const bool levels = Guarded([&](TKitStringGrid& G) { G.LoadFromXMLBytes(Bytes, true, false); });
  return flat && levels;
}

bool GridVisualPropsFromBytes(const QByteArray& Bytes) {
  TTempFile file(Bytes);
  return Guarded([&](TKitStringGrid& G) { G.LoadVisualProps(file.Path); });
}

bool GridPrintSettingsFromBytes(const QByteArray& Bytes) {
  TTempFile file(Bytes);
  return Guarded([&](TKitStringGrid& G) { G.LoadPrintSettings(file.Path, QStringLiteral("Print")); });
}

bool GridColumnStatesFromBytes(const QByteArray& Bytes) {
  return Guarded([&](TKitStringGrid& G) { G.StringToColumnStates(QString::fromUtf8(Bytes)); });
}

bool GridDocxFromBytes(const QByteArray& Bytes) {
  // The whole file as given: refused or appended to.
  TTempFile raw(Bytes);
  const bool asFile = Guarded([&](TKitStringGrid& G) { G.AppendToDoc(raw.Path, QStringLiteral("bm")); });
  // The bytes as the main document part of a well-formed package.
  bool asPart = false;
  try {
    WordApi::CheckDocumentBytes(Bytes);
    asPart = true;
  } catch (const Exception&) {
    asPart = false;
  }
  return asFile || asPart;
}

bool GridClipboardCellsFromBytes(const QByteArray& Bytes) {
  return Guarded([&](TKitStringGrid& G) {
    G.SetColCount(6);
    G.SetRowCount(6);
    TBinStreamHeader h;
    if (!GridCellsReadable(Bytes, h)) throw EKitGridError(QStringLiteral("unreadable grid cells"));
    CheckLoadSize(h.ColCount + 2, h.RowCount + 3, QStringLiteral("grid cells"));
    if (G.ColCount() < h.ColCount + 2) G.SetColCount(h.ColCount + 2);
    if (G.RowCount() < h.RowCount + 3) G.SetRowCount(h.RowCount + 3);
    TBytesStream s(Bytes);
    try {
      G.LoadAtPointFromBinStream(TPoint(2, 3), &s);
    } catch (const EReadError&) {
      std::abort();  // the check passed data the load refuses: a paste would stop half-way
    }
  });
}

bool GridClipboardTextFromBytes(const QByteArray& Bytes) {
  return Guarded([&](TKitStringGrid& G) {
    G.SetOptions(G.Options() + TGridOptions{goEditing});
    int cols = 0, rows = 0;
    G.PasteTextBlock(1, 1, QString::fromUtf8(Bytes), cols, rows);
  });
}

bool GridCSVFromBytes(const QByteArray& Bytes) {
  const bool detected = Guarded([&](TKitStringGrid& G) {
    TBytesStream s(Bytes);
    G.LoadFromCSVStream(&s);
  });
  const bool fixed = Guarded([&](TKitStringGrid& G) {
    G.SetDelimiter(QChar(u';'));
    G.SetCSVMultilineCellImport(false);
    G.FloatingFooter()->SetVisible(true);
    G.SetRowCount(4);
    TBytesStream s(Bytes);
    G.LoadFromCSVStream(&s, 50, 1);
  });
  return detected && fixed;
}

}  // namespace kitgridio
