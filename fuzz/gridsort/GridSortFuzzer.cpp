// The grid's sorting over outside text: the sort-settings text (as a
// settings file holds it) loaded into a small grid, and the cells of a grid
// sorted in a chosen compare style, which reads numbers, dates and times
// out of the cell texts. Refusals are the framework's exceptions; the sort
// must leave every row in the grid (the same texts, in some order).
//
// Input: one byte (0: a sort-settings text; 1 to 22: sort in the style
// byte - 1, ascending; above: the same, descending), then the text (UTF-8,
// or UTF-16 after a 0xFF byte): the settings text, or the cells, one per
// line.

#include <QStringList>
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "fuzz/support/FuzzSupport.h"
#include "fuzz/support/GridSeeds.h"
#include "grid/model/KitGrid.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::QuietMessages();
  fuzz::StartWidgetApplication();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size == 0) return 0;
  const QString text = fuzz::AnyText(Data + 1, Size - 1);
  if (Data[0] == 0) {
    auto g = fuzz::SampleGrid();
    fuzz::Refusable([&] { g->SortSettings()->LoadFromString(text); });
    fuzz::Check(g->RowCount() == 4 && g->UpdateCount() == 0, "the grid keeps its shape");
    return 0;
  }
  const int style = (Data[0] - 1) % 22;
  const bool descending = (Data[0] - 1) / 22 % 2 == 1;
  QStringList cells = text.split(u'\n');
  if (cells.size() > 200) cells = cells.mid(0, 200);
  auto g = CreateUnique<TKitStringGrid>(nullptr);
  g->SetColCount(2);
  g->SetRowCount(int(cells.size()) + 1);
  g->SetFixedRows(1);
  g->SetFixedCols(0);
  for (int r = 0; r < cells.size(); ++r) {
    g->SetCells(0, r + 1, cells[r]);
    g->SetCells(1, r + 1, QString::number(r));
  }
  g->SortSettings()->SetAutoFormat(style == 0);
  g->SortSettings()->SetDefaultFormat(TSortStyle(style));
  fuzz::Refusable([&] { g->Sort(0, descending ? sdDescending : sdAscending); });
  QStringList after;
  for (int r = 1; r < g->RowCount(); ++r) after << g->GridCells(0, r);
  std::sort(cells.begin(), cells.end());
  std::sort(after.begin(), after.end());
  fuzz::Check(after == cells && g->UpdateCount() == 0, "the sort keeps every row");
  return 0;
}
