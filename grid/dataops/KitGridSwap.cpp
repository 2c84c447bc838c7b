// Exchanging two rows or two columns, the exchange step of the sorts, and
// numbering a column or a row. An exchange moves texts and cell records
// together (records are never copied or freed on the way), and the state
// bound to a row or column goes with it: heights or widths, cell controls,
// the sort column, the sort cross-reference and the per-row flags.

#include <algorithm>

#include "grid/dataops/KitGridRowOpsSupport.h"
#include "grid/model/KitGrid.h"
#include "platform/rtl/RtlConsts.h"

namespace {

void CheckLine(int Index, int Count) {
  if (Index < 0 || Index >= Count) TList::Error(RtlConsts::SListIndexError, Index);
}

// The cell controls on line A move to line B and the reverse (Line is the
// control's row or its column); true when any moved.
bool SwapControlLines(TKitControlList* Controls, int TControlItem::*Line, int A, int B) {
  bool moved = false;
  for (int i = 0; i < Controls->Count(); ++i) {
    TControlItem* item = Controls->Control(i);
    if (item->*Line == A) {
      item->*Line = B;
      moved = true;
    } else if (item->*Line == B) {
      item->*Line = A;
      moved = true;
    }
  }
  return moved;
}

// Exchanges two entries of a per-row integer list; a list too short for
// one of them grows with the default entry 0 first.
void ExchangeEntries(TIntList* List, int A, int B) {
  if (A == B || std::min(A, B) < 0) return;
  while (List->Count() <= std::max(A, B)) List->Add(0);
  const int a = List->Items(A);
  const int b = List->Items(B);
  if (a == b) return;
  List->SetItems(A, b);
  List->SetItems(B, a);
}

void ExchangeEntries(TList* List, int A, int B) {
  if (A == B || std::min(A, B) < 0) return;
  if (List->Count() <= std::max(A, B)) List->SetCount(std::max(A, B) + 1);
  List->Exchange(A, B);
}

}  // namespace

void TKitStringGrid::ExchangeRowStates(int ARow1, int ARow2) {
  // Records repaint the cell they belong to: they learn their new row.
  if (HasCellProps()) {
    for (int c = 0; c < TotalColCount(); ++c) {
      if (TCellProperties* rec = FindCellProperties(c, ARow1)) rec->SetOwnerRow(ARow1);
      if (TCellProperties* rec = FindCellProperties(c, ARow2)) rec->SetOwnerRow(ARow2);
    }
  }
  if (RowHeights(ARow1) != RowHeights(ARow2)) {
    const int h = RowHeights(ARow1);
    SetRowHeights(ARow1, RowHeights(ARow2));
    SetRowHeights(ARow2, h);
  }
}

void TKitStringGrid::SortSwapRows(int ARow1, int ARow2) {
  ++FSwaps;
  if (ARow1 == ARow2) return;
  if (ARow1 >= 0 && ARow2 >= 0 && std::max(ARow1, ARow2) < FSortRowXRef->Count()) {
    const int a = FSortRowXRef->Items(ARow1);
    FSortRowXRef->SetItems(ARow1, FSortRowXRef->Items(ARow2));
    FSortRowXRef->SetItems(ARow2, a);
  }
  if (FUseEnabledRows) ExchangeEntries(FEnabledRows.get(), ARow1, ARow2);
  if (FSortSettings->SingleColumn()) {
    // Only the sort column's cells change places.
    int column = FSortSettings->Column();
    if (column < 0 && FSortSettings->IndexShow() && FSortIndexes->Count() > 0)
      column = FSortIndexes->Items(0) & 0xFFFF;
    if (column < 0) return;
    const QString text = GetGridCell(column, ARow1);
    TObject* object = GetGridObject(column, ARow1);
    Store().SetCell(column, ARow1, GetGridCell(column, ARow2), GetGridObject(column, ARow2));
    Store().SetCell(column, ARow2, text, object);
    if (TCellProperties* rec = FindCellProperties(column, ARow1)) rec->SetOwnerRow(ARow1);
    if (TCellProperties* rec = FindCellProperties(column, ARow2)) rec->SetOwnerRow(ARow2);
    return;
  }
  Store().ExchangeRows(ARow1, ARow2);
  ExchangeRowStates(ARow1, ARow2);
  if (FMouseActions->DisjunctRowSelect() && FNavigation->MoveRowOnSort())
    ExchangeEntries(FRowSelect.get(), RealRowIndex(ARow1), RealRowIndex(ARow2));
  if (FShowModified->Enabled()) ExchangeEntries(FModifiedRows.get(), ARow1, ARow2);
  if (FSortRow == ARow1)
    FSortRow = ARow2;
  else if (FSortRow == ARow2)
    FSortRow = ARow1;
}

void TKitStringGrid::SwapRows(int Index, int Index2) {
  CheckLine(Index, RowCount());
  CheckLine(Index2, RowCount());
  if (Index == Index2) return;
  {
    kitgridops::TUpdateGuard update(this);
    Store().ExchangeRows(Index, Index2);
    ExchangeRowStates(Index, Index2);
    if (SwapControlLines(FControlList.get(), &TControlItem::Y, Index, Index2)) CellControlsUpdate(true);
  }
  RepaintRow(Index);
  RepaintRow(Index2);
}

void TKitStringGrid::SwapColumns(int Index, int Index2) {
  CheckLine(Index, TotalColCount());
  CheckLine(Index2, TotalColCount());
  if (Index == Index2) return;
  {
    kitgridops::TUpdateGuard update(this);
    for (int r = 0; r < RowCount(); ++r) {
      const QString text = GetGridCell(Index, r);
      TObject* object = GetGridObject(Index, r);
      Store().SetCell(Index, r, GetGridCell(Index2, r), GetGridObject(Index2, r));
      Store().SetCell(Index2, r, text, object);
      if (TCellProperties* rec = FindCellProperties(Index, r)) rec->SetOwnerCol(Index);
      if (TCellProperties* rec = FindCellProperties(Index2, r)) rec->SetOwnerCol(Index2);
    }
    if (Index < ColCount() && Index2 < ColCount() && ColWidths(Index) != ColWidths(Index2)) {
      const int w = ColWidths(Index);
      SetColWidths(Index, ColWidths(Index2));
      SetColWidths(Index2, w);
    }
    if (FSortSettings->Column() == Index)
      FSortSettings->SetColumn(Index2);
    else if (FSortSettings->Column() == Index2)
      FSortSettings->SetColumn(Index);
    if (SwapControlLines(FControlList.get(), &TControlItem::X, Index, Index2)) CellControlsUpdate(true);
  }
  if (Index < ColCount()) RepaintCol(Index);
  if (Index2 < ColCount()) RepaintCol(Index2);
}

void TKitStringGrid::AutoNumberCol(int ACol) {
  if (RowCount() == 0) return;
  const int first = FixedRows();
  const int last = RowCount() - FFixedFooters - 1;
  for (int r = first + FAutoNumberStart; r <= last; ++r) {
    const int value = r - first + 1 + FAutoNumberOffset;
    SetInts(ACol, FAutoNumberDirection == sdAscending ? r : last - r + first, value);
  }
}

void TKitStringGrid::AutoNumberRow(int ARow) {
  if (ColCount() == 0) return;
  const int first = FixedCols();
  const int last = ColCount() - FFixedRightCols - 1;
  for (int c = first + FAutoNumberStart; c <= last; ++c) {
    const int value = c - first + 1 + FAutoNumberOffset;
    SetInts(FAutoNumberDirection == sdAscending ? c : last - c + first, ARow, value);
  }
}
