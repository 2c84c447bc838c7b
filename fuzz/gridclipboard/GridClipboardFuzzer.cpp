// What another program can put on the clipboard for the grid to paste: the
// grid's own cells format (checked whole before any cell changes, then
// loaded at a cell) and plain text pasted as a TAB and line block.
// --write-seeds=FOLDER writes the seed corpus (files the grid saves) and
// ends.
//
// Input: one byte (even: the cells format, odd: text), then the data.

#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/support/FuzzSupport.h"
#include "grid/io/KitGridFuzzEntries.h"
#include "grid/model/KitGrid.h"

namespace {

QByteArray FileBytes(const QString& Path) {
  QFile f(Path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

auto SampleGrid() {
  auto g = CreateUnique<TKitStringGrid>(nullptr);
  g->SetColCount(4);
  g->SetRowCount(4);
  g->SetCells(1, 1, QStringLiteral("Garçon"));
  g->SetCells(2, 1, QStringLiteral("04 72 39 24 66"));
  g->SetCells(1, 2, QStringLiteral("a\tb"));
  return g;
}

void WriteSeeds(const QString& AFolder) {
  auto g = SampleGrid();
  TMemoryStream s;
  g->SaveRectToBinStream(TRect(1, 1, 2, 2), &s, false);
  fuzz::WriteSeed(AFolder, QStringLiteral("cells.bin"),
                  QByteArray(1, 0) + QByteArray(static_cast<const char*>(s.Memory()), static_cast<qsizetype>(s.Size())));
  fuzz::WriteSeed(AFolder, QStringLiteral("text.txt"), QByteArray("\x01Garçon\t04 72\r\n\"a\nb\"\tc\r\n"));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::QuietMessages();
  fuzz::StartWidgetApplication();
  if (const QString folder = fuzz::TargetOption(*argc, *argv, "write-seeds"); !folder.isEmpty()) {
    WriteSeeds(folder);
    std::exit(0);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size == 0) return 0;
  const QByteArray data = fuzz::Bytes(Data + 1, Size - 1);
  if (Data[0] % 2 == 0)
    kitgridio::GridClipboardCellsFromBytes(data);
  else
    kitgridio::GridClipboardTextFromBytes(data);
  return 0;
}
