// The grid's binary stream (records of the component stream format: the
// grid's properties, cells, cell properties, graphics and comments), loaded
// whole and at a point of a smaller grid. A refusal is the framework's
// exception; every load must leave the grid's cells and merges consistent
// (the entry point checks them).
//
// Input: the stream's bytes. --write-seeds=FOLDER writes the seed corpus
// (streams the grid saves) and ends.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/support/FuzzSupport.h"
#include "grid/io/KitGridFuzzEntries.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridCellGraphic.h"

namespace {

QByteArray Saved(TKitStringGrid& G) {
  TMemoryStream s;
  G.SaveToBinStream(&s);
  return QByteArray(static_cast<const char*>(s.Memory()), static_cast<qsizetype>(s.Size()));
}

void WriteSeeds(const QString& AFolder) {
  auto one = CreateUnique<TKitStringGrid>(nullptr);
  one->SetColCount(1);
  one->SetRowCount(1);
  one->SetFixedCols(0);
  one->SetFixedRows(0);
  one->SetCells(0, 0, QStringLiteral("Hi"));
  fuzz::WriteSeed(AFolder, QStringLiteral("one-cell.bin"), Saved(*one));

  auto g = CreateUnique<TKitStringGrid>(nullptr);
  g->SetColCount(6);
  g->SetRowCount(6);
  g->SetCells(1, 1, QStringLiteral("x"));
  g->SetCells(3, 1, QStringLiteral("after"));
  g->SetCells(1, 4, QStringLiteral("1.5"));
  g->SetColors(2, 2, clRed);
  g->SetColors(3, 1, clAqua);
  g->SetFontStyles(1, 1, TFontStyles() << fsBold);
  g->MergeCells(1, 2, 2, 2);
  TCellGraphic* note = g->CreateCellGraphic(4, 4);
  note->SetCellType(ctNone);
  note->SetCellComment(QStringLiteral("note"));
  note->SetCommentColor(clLime);
  fuzz::WriteSeed(AFolder, QStringLiteral("merged-coloured.bin"), Saved(*g));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::QuietMessages();
  fuzz::StartWidgetApplication();
  fuzz::WriteSeedsWhenAsked(*argc, *argv, WriteSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  kitgridio::GridBinStreamFromBytes(fuzz::Bytes(Data, Size));
  return 0;
}
