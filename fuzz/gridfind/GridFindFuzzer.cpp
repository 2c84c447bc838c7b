// The grid's search and replace with a search text from the user: every find
// flag, patterns with wildcards (which must stay bounded in time), a start
// cell anywhere, preset lines and a selection outside the grid. Every search
// must end, report only cells inside its range, count no more matches than
// cells, and leave FindBusy off; Replace changes at most every cell.
//
// Input: three bytes of find flags (bit n = TFindParameter n), one byte of
// start cell and preset line (two bits each: none, inside, before, beyond),
// then NUL-separated texts: the search text, the replacement, and up to 16
// cells of a 4 x 4 data area (one fixed row and column).

#include <QStringList>
#include <climits>
#include <cstddef>
#include <cstdint>

#include "fuzz/support/FuzzSupport.h"
#include "grid/model/KitGrid.h"

namespace {

int Pick(int Code, int Inside) {
  switch (Code & 3) {
    case 1: return Inside;
    case 2: return INT_MIN;
    case 3: return INT_MAX;
  }
  return -1;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::QuietMessages();
  fuzz::StartWidgetApplication();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size < 4) return 0;
  const TFindParameters params = TFindParameters::FromBits((Data[0] | Data[1] << 8 | (Data[2] & 1) << 16));
  const uint8_t where = Data[3];
  const QStringList texts = fuzz::Utf8(Data + 4, Size - 4).split(QChar(0));
  const QString search = texts.value(0);
  const QString replacement = texts.value(1);

  auto g = CreateUnique<TKitStringGrid>(nullptr);
  g->SetColCount(5);
  g->SetRowCount(5);
  g->SetFixedCols(1);
  g->SetFixedRows(1);
  for (int i = 0; i < 16 && i + 2 < texts.size(); ++i) g->SetCells(1 + i % 4, 1 + i / 4, texts[i + 2]);
  g->FindCol = Pick(where >> 2, 2);
  g->FindRow = Pick(where >> 4, 3);
  if (where & 0x40) g->SetSelection(TGridRect{2, 2, 3, 4});
  const int cells = 25;

  auto inGrid = [&](TPoint P) {
    return (P.X == -1 && P.Y == -1) ||
           (P.X >= 0 && P.X < g->ColCount() + g->NumHiddenColumns() && P.Y >= 0 && P.Y < g->RowCount());
  };
  TPoint start(Pick(where, 1), Pick(where, 2));
  TPoint r;
  g->Find(start, search, r, params);
  fuzz::Check(inGrid(r), "Find reported a cell outside the grid");
  g->FindWide(start, search, r, params);
  fuzz::Check(inGrid(r), "FindWide reported a cell outside the grid");
  TPoint first;
  int count = 0;
  g->FindAll(search, params, first, count);
  fuzz::Check(inGrid(first) && count >= 0 && count <= cells, "FindAll counted more matches than cells");
  fuzz::Check(!g->FindBusy, "FindBusy stayed on");
  const int changed = g->Replace(search, replacement, params);
  fuzz::Check(changed >= 0 && changed <= cells, "Replace changed more cells than the grid holds");
  fuzz::Refusable([&] {
    g->FindMulti({search, replacement}, {1, 2}, {TFindMultiType(where % 6), stContains}, {bool(where & 1), false},
                 where & 0x80, false);
    for (int i = 0; i < cells && g->FindMultiNext() >= 0; ++i) {
    }
  });
  g->Search(search.toUpper());
  return 0;
}
