// What another program can put on the clipboard for the grid to paste: the
// grid's own cells format (checked whole before any cell changes, then
// loaded at a cell) and plain text pasted as a TAB and line block.
// --write-seeds=FOLDER writes the seed corpus (files the grid saves) and
// ends.
//
// Input: one byte (even: the cells format, odd: text), then the data.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/support/FuzzSupport.h"
#include "fuzz/support/GridSeeds.h"
#include "grid/io/KitGridFuzzEntries.h"

namespace {

void WriteSeeds(const QString& AFolder) {
  auto g = fuzz::SampleGrid();
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
  fuzz::WriteSeedsWhenAsked(*argc, *argv, WriteSeeds);
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
