// Hidden and suppressed rows: the hidden-row records and their sorted
// lookup, the display <-> real row maps, hiding and showing rows (one block,
// one filter level, all), suppression of rows and columns, the parked
// selection, the current-row setter and the used-cell rectangle.
//
// A hidden row's cells (texts with their record references, over every
// column, hidden columns included) and height wait in its TGridItem, which
// carries the row's real index whatever hid it. The maps answer by binary
// search from a sorted lookup of the records; every change to the records
// drops the lookup and the next question rebuilds it. Rows go out of and
// into the store in one pass each (TakeRowsOut, PutRowsIn), so hiding a
// filter's thousands of rows moves the store once.

#include <algorithm>
#include <unordered_set>

#include "grid/dataops/KitGridRowOpsSupport.h"
#include "grid/model/KitGrid.h"

using kitgridops::TUpdateGuard;
using kitgridops::TValueRestore;

// ---------------------------------------------------------------------------
// Records and maps

const THiddenRowIndex& TKitStringGrid::HiddenRowLookup() const {
  if (!FHiddenRowLookupValid) {
    std::vector<std::pair<int, TGridItem*>> entries;
    entries.reserve(size_t(FHiddenRowStore->Count()));
    for (int i = 0; i < FHiddenRowStore->Count(); ++i) {
      auto* item = static_cast<TGridItem*>(FHiddenRowStore->Items(i));
      entries.emplace_back(item->Idx(), item);
    }
    FHiddenRowLookup.Build(std::move(entries));
    FHiddenRowLookupValid = true;
  }
  return FHiddenRowLookup;
}

bool TKitStringGrid::IsHiddenRow(int RowIndex) const {
  return NumHiddenRows() > 0 && HiddenRowLookup().IsHidden(RowIndex);
}

bool TKitStringGrid::IsHiddenRow(int RowIndex, std::unique_ptr<TIntList>& ListHidden) const {
  if (!ListHidden) {
    ListHidden = std::make_unique<TIntList>(-1, -1);
    const THiddenRowIndex& lookup = HiddenRowLookup();
    for (int i = 0; i < lookup.Count(); ++i) ListHidden->Add(lookup.RealAt(i));
  }
  return ListHidden->SortedIndexOf(RowIndex) >= 0;
}

int TKitStringGrid::DisplToRealRow(int r) const {
  return NumHiddenRows() == 0 ? r : HiddenRowLookup().DisplToReal(r);
}

int TKitStringGrid::RealToDisplRow(int r) const {
  return NumHiddenRows() == 0 ? r : HiddenRowLookup().RealToDispl(r);
}

TStrings* TKitStringGrid::GetHiddenRowStrings(int ARealRow) const {
  if (NumHiddenRows() == 0) return nullptr;
  TGridItem* item = HiddenRowLookup().Find(ARealRow);
  return item != nullptr ? item->Items() : nullptr;
}

int TKitStringGrid::FloatingFooterRows() const {
  return FFloatingFooter && FFloatingFooter->Visible() && RowCount() > 1 ? 1 : 0;
}

void TKitStringGrid::FreeHiddenRowRecords() {
  for (int i = 0; i < FHiddenRowStore->Count(); ++i) {
    TStringList* cells = static_cast<TGridItem*>(FHiddenRowStore->Items(i))->Items();
    if (cells == nullptr) continue;
    for (int c = 0; c < cells->Count(); ++c) {
      std::unique_ptr<TCellProperties> rec(dynamic_cast<TCellProperties*>(cells->Objects(c)));
      cells->SetObjects(c, nullptr);
    }
  }
  FHiddenRowStore->Clear();
  ClearHiddenRowLookup();
}

void TKitStringGrid::ShowRowControls(int RealRow, bool Visible) {
  for (int i = 0; i < FControlList->Count(); ++i) {
    TControlItem* item = FControlList->Control(i);
    if (item->Y == RealRow && item->Control != nullptr) item->Control->SetVisible(Visible);
  }
}

// ---------------------------------------------------------------------------
// Rows out of and into the store

namespace {

// The size a display row's suppression remembers (its height when the list
// has no entry for it).
int RememberedSize(TIntList* Sizes, int Row, int Height) {
  return Row < Sizes->Count() ? Sizes->Items(Row) : Height;
}

}  // namespace

void TKitStringGrid::TakeRowsOut(const std::vector<int>& Rows,
                                 std::vector<std::pair<std::unique_ptr<TStringList>, int>>* Taken) {
  if (Rows.empty()) return;
  const int n = RowCount();
  const int f = FloatingFooterRows();
  const int cols = TotalColCount();
  std::vector<int> heights(static_cast<size_t>(n));
  std::vector<int> sizes(static_cast<size_t>(n));
  for (int r = 0; r < n; ++r) {
    heights[size_t(r)] = RowHeights(r);
    sizes[size_t(r)] = RememberedSize(FSuppressRowSizes.get(), r, heights[size_t(r)]);
  }
  auto& store = Store();
  size_t k = 0;
  int w = 0;
  std::vector<int> keptSizes;
  keptSizes.reserve(size_t(n));
  for (int i = 0; i < n - f; ++i) {
    if (k < Rows.size() && Rows[k] == i) {
      if (Taken != nullptr) {
        auto cells = std::make_unique<TStringList>();
        for (int c = 0; c < cols; ++c) cells->AddObject(store.Text(c, i), store.Object(c, i));
        Taken->emplace_back(std::move(cells), heights[size_t(i)]);
      }
      ++k;
      continue;
    }
    if (i != w) {
      for (int c = 0; c < cols; ++c) store.SetCell(c, w, store.Text(c, i), store.Object(c, i));
      if (RowHeights(w) != heights[size_t(i)]) SetRowHeights(w, heights[size_t(i)]);
    }
    keptSizes.push_back(sizes[size_t(i)]);
    ++w;
  }
  // The rows left behind hold references that now live elsewhere.
  for (int r = w; r < n - f; ++r) store.ClearRow(r);
  if (f > 0) keptSizes.push_back(sizes[size_t(n - 1)]);
  SetRowCount(n - int(k));  // a floating footer row moves up to the new end
  if (f > 0) SetRowHeights(RowCount() - 1, heights[size_t(n - 1)]);
  keptSizes.resize(size_t(RowCount()), DefaultRowHeight());
  kitgridops::RewriteIntList(FSuppressRowSizes.get(), keptSizes);
}

void TKitStringGrid::PutRowsIn(const std::vector<TRowEntry>& Entries) {
  const int k = int(Entries.size());
  if (k == 0) return;
  const int n = RowCount();
  const int f = FloatingFooterRows();
  const int cols = TotalColCount();
  auto& store = Store();
  // Rows past the count may still hold cells of an earlier, larger count:
  // none of them comes back into the grid.
  FreeCellPropertiesRect(0, n, cols - 1, n + k - 1);
  for (int r = n; r < n + k; ++r) store.ClearRow(r);
  std::vector<int> heights(static_cast<size_t>(n));
  std::vector<int> sizes(static_cast<size_t>(n));
  for (int r = 0; r < n; ++r) {
    heights[size_t(r)] = RowHeights(r);
    sizes[size_t(r)] = RememberedSize(FSuppressRowSizes.get(), r, heights[size_t(r)]);
  }
  SetRowCount(n + k);  // a floating footer row moves down to the new end
  if (f > 0) SetRowHeights(RowCount() - 1, heights[size_t(n - 1)]);
  std::vector<int> newSizes(size_t(RowCount()), DefaultRowHeight());
  for (int r = 0; r < n - f; ++r) newSizes[size_t(r)] = sizes[size_t(r)];
  if (f > 0) newSizes[size_t(RowCount() - 1)] = sizes[size_t(n - 1)];
  // Merge from the bottom: each position takes the next entry that belongs
  // there or at a lower place, else the next old row.
  int j = k - 1;
  int i = n - 1 - f;
  for (int t = RowCount() - 1 - f; t >= 0 && j >= 0; --t) {
    if (Entries[size_t(j)].Pos >= t || i < 0) {
      const TRowEntry& e = Entries[size_t(j)];
      store.ClearRow(t);
      if (e.Cells != nullptr)
        for (int c = 0; c < e.Cells->Count(); ++c) {
          TObject* o = e.Cells->Objects(c);
          if (o != nullptr) FHasCellProps = true;
          store.SetCell(c, t, e.Cells->Strings(c), o);
        }
      SetRowHeights(t, e.Height);
      newSizes[size_t(t)] = e.Height > 0 ? e.Height : DefaultRowHeight();
      --j;
    } else {
      if (i != t) {
        store.ClearRow(t);
        for (int c = 0; c < cols; ++c) store.SetCell(c, t, store.Text(c, i), store.Object(c, i));
        SetRowHeights(t, heights[size_t(i)]);
      }
      newSizes[size_t(t)] = sizes[size_t(i)];
      --i;
    }
  }
  kitgridops::RewriteIntList(FSuppressRowSizes.get(), newSizes);
}

void TKitStringGrid::RestoreCurrentRow(int ARow, int ATopRow) {
  const int lastNormal = RowCount() - FFixedFooters - 1;
  if (ARow >= FixedRows() && ARow <= lastNormal) {
    if (!FMouseActions->DisjunctRowSelect() && Row() != ARow) SetRow(ARow);
    SetTopRow(std::min(ATopRow, lastNormal));
  } else if (lastNormal >= FixedRows()) {
    SetRow(lastNormal);
  } else {
    HideSelection();
  }
}

// ---------------------------------------------------------------------------
// Hiding

void TKitStringGrid::HideRows(int FromRow, int ToRow) {
  FromRow = std::max(FromRow, 0);
  ToRow = std::min(ToRow, TotalRowCount() - 1);
  if (ToRow < FromRow) return;
  const THiddenRowIndex& lookup = HiddenRowLookup();
  const int footerRow = RowCount() - FloatingFooterRows();
  std::vector<int> rows;
  std::vector<int> reals;
  for (int r = FromRow; r <= ToRow; ++r) {
    if (NumHiddenRows() > 0 && lookup.IsHidden(r)) continue;
    const int d = RealToDisplRow(r);
    if (d >= footerRow) break;
    rows.push_back(d);
    reals.push_back(r);
  }
  // The store keeps the fixed rows and one row after them: hiding every
  // other row would leave the framework a grid without scrollable rows.
  const int keep = std::max(RawFixedRows() + 1, 1) + FloatingFooterRows();
  const size_t room = size_t(std::max(RowCount() - keep, 0));
  if (rows.size() > room) {
    rows.erase(rows.begin(), rows.end() - ptrdiff_t(room));
    reals.erase(reals.begin(), reals.end() - ptrdiff_t(room));
  }
  if (rows.empty()) return;
  TUpdateGuard update(this);
  const TValueRestore<bool> block(FBlockCellChanging, true);
  const int row = Row();
  const int topRow = TopRow();
  const int lastWidth = ColCount() > 0 ? ColWidths(ColCount() - 1) : 0;
  std::vector<std::pair<std::unique_ptr<TStringList>, int>> taken;
  TakeRowsOut(rows, &taken);
  // Records go in at their sorted place, each with its real index.
  int at = HiddenRowLookup().CountBelow(reals.front());
  for (size_t i = 0; i < taken.size(); ++i) {
    auto* item = static_cast<TGridItem*>(FHiddenRowStore->Insert(at++));
    item->SetIdx(reals[i]);
    item->SetHeight(taken[i].second);
    item->SetLevel(0);
    item->SetItems(std::move(taken[i].first));
    ShowRowControls(reals[i], false);
  }
  ClearHiddenRowLookup();
  if (ColCount() > 0) SetColWidths(ColCount() - 1, lastWidth);
  RestoreCurrentRow(row, topRow);
  CellControlsUpdate(false);
  CellsChanged(TRect(0, rows.front(), ColCount() - 1, rows.front() + int(rows.size())));
}

void TKitStringGrid::HideRowsEx(int FromRow, int ToRow) {
  if (IsHiddenRow(FromRow)) return;
  HideRows(FromRow, ToRow);
}

void TKitStringGrid::HideRowList(TIntList* RowList) {
  if (RowList == nullptr || RowList->Count() == 0) return;
  if (FFilterType == ftSuppress) {
    for (int i = 0; i < RowList->Count(); ++i) {
      const int r = RowList->Items(i);
      if (r >= 0 && r < RowCount()) SuppressRow(r);
    }
    ClearHiddenRowLookup();
    CellControlsUpdate(false);
    return;
  }
  // Display rows, ascending and once each, the floating footer row left out.
  const int footerRow = RowCount() - FloatingFooterRows();
  std::vector<int> rows;
  for (int i = 0; i < RowList->Count(); ++i) {
    const int r = RowList->Items(i);
    if (r >= 0 && r < footerRow) rows.push_back(r);
  }
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  // At least one row after the fixed rows stays: the first listed rows are
  // kept shown.
  const int keep = std::max(RawFixedRows() + 1, 1) + FloatingFooterRows();
  const size_t room = size_t(std::max(RowCount() - keep, 0));
  if (rows.size() > room) rows.erase(rows.begin(), rows.end() - ptrdiff_t(room));
  if (rows.empty()) return;
  TUpdateGuard update(this);
  const TValueRestore<bool> block(FBlockCellChanging, true);
  std::vector<int> reals;
  reals.reserve(rows.size());
  for (int d : rows) reals.push_back(DisplToRealRow(d));
  const int row = Row();
  const int topRow = TopRow();
  std::vector<std::pair<std::unique_ptr<TStringList>, int>> taken;
  TakeRowsOut(rows, &taken);
  for (size_t i = 0; i < taken.size(); ++i) {
    auto* item = static_cast<TGridItem*>(FHiddenRowStore->Add());
    item->SetIdx(reals[i]);
    item->SetHeight(taken[i].second);
    item->SetLevel(FFilterLevel);
    item->SetFilterRecord(true);
    item->SetItems(std::move(taken[i].first));
    ShowRowControls(reals[i], false);
  }
  ++FFilterLevel;
  ClearHiddenRowLookup();
  RestoreCurrentRow(row, topRow);
  CellControlsUpdate(false);
}

// ---------------------------------------------------------------------------
// Showing

void TKitStringGrid::UnHideRecords(const std::vector<TGridItem*>& Records) {
  if (Records.empty()) return;
  TUpdateGuard update(this);
  const TValueRestore<bool> block(FBlockCellChanging, true);
  const std::unordered_set<TGridItem*> leaving(Records.begin(), Records.end());
  // Each record's row goes to its real index less the rows that stay hidden
  // above it.
  const THiddenRowIndex& lookup = HiddenRowLookup();
  std::vector<TRowEntry> entries;
  entries.reserve(Records.size());
  int staying = 0;
  for (int i = 0; i < lookup.Count(); ++i) {
    TGridItem* item = lookup.ItemAt(i);
    if (leaving.count(item) == 0) {
      ++staying;
      continue;
    }
    entries.push_back(TRowEntry{item->Idx() - staying, item->Items(), item->Height()});
  }
  const int row = Row();
  const int topRow = TopRow();
  const int lastWidth = ColCount() > 0 ? ColWidths(ColCount() - 1) : 0;
  PutRowsIn(entries);
  // The cells belong to the store again: the records let go of them.
  for (TGridItem* item : Records) {
    if (item->Items() != nullptr) item->Items()->Clear();
    ShowRowControls(item->Idx(), true);
  }
  for (int i = FHiddenRowStore->Count() - 1; i >= 0; --i)
    if (leaving.count(static_cast<TGridItem*>(FHiddenRowStore->Items(i))) != 0) FHiddenRowStore->Delete(i);
  ClearHiddenRowLookup();
  if (ColCount() > 0) SetColWidths(ColCount() - 1, lastWidth);
  RestoreCurrentRow(row, topRow);
  CellControlsUpdate(false);
  CellsChanged(TRect(0, entries.front().Pos, ColCount() - 1, entries.back().Pos));
}

void TKitStringGrid::UnHideRows(int FromRow, int ToRow) {
  if (!IsHiddenRow(FromRow)) return;
  const THiddenRowIndex& lookup = HiddenRowLookup();
  std::vector<TGridItem*> records;
  for (int i = lookup.CountBelow(FromRow); i < lookup.Count() && lookup.RealAt(i) <= ToRow; ++i)
    records.push_back(lookup.ItemAt(i));
  UnHideRecords(records);
}

void TKitStringGrid::UnHideRowsAll() {
  if (NumHiddenRows() == 0) return;
  const THiddenRowIndex& lookup = HiddenRowLookup();
  std::vector<TGridItem*> records;
  for (int i = 0; i < lookup.Count(); ++i) records.push_back(lookup.ItemAt(i));
  UnHideRecords(records);
}

void TKitStringGrid::UnHideRowList() {
  if (FFilterLevel <= 0) return;
  const int level = FFilterLevel - 1;
  if (Row() >= RowCount() && RowCount() > FixedRows()) FocusCell(FixedCols(), FixedRows());
  const THiddenRowIndex& lookup = HiddenRowLookup();
  std::vector<TGridItem*> records;
  for (int i = 0; i < lookup.Count(); ++i) {
    TGridItem* item = lookup.ItemAt(i);
    if (item->FilterRecord() && item->Level() == level) records.push_back(item);
  }
  UnHideRecords(records);
  FFilterLevel = level;
}

// ---------------------------------------------------------------------------
// Suppression

void TKitStringGrid::SuppressRow(int Index) {
  const int height = RowHeights(Index);  // raises for a row outside the grid
  if (height <= 0) return;
  while (FSuppressRowSizes->Count() <= Index) FSuppressRowSizes->Add(DefaultRowHeight());
  FSuppressRowSizes->SetItems(Index, height);
  SetRowHeights(Index, 0);
}

void TKitStringGrid::SuppressRows(int FromRow, int ToRow) {
  for (int r = std::max(FromRow, 0); r <= ToRow && r < RowCount(); ++r) SuppressRow(r);
}

void TKitStringGrid::UnSuppressRow(int Index) {
  RowHeights(Index);  // raises for a row outside the grid
  if (Index < FSuppressRowSizes->Count()) SetRowHeights(Index, FSuppressRowSizes->Items(Index));
}

void TKitStringGrid::UnSuppressRows(int Index, int ToRow) {
  for (int r = std::max(Index, 0); r <= ToRow && r < RowCount(); ++r) UnSuppressRow(r);
}

void TKitStringGrid::UnSuppressAllRows() {
  for (int r = 0; r <= LastRow(); ++r)
    if (r < FSuppressRowSizes->Count() && FSuppressRowSizes->Items(r) > 0 && RowHeights(r) == 0)
      SetRowHeights(r, FSuppressRowSizes->Items(r));
  std::vector<int> sizes(static_cast<size_t>(RowCount()));
  for (int r = 0; r < RowCount(); ++r) sizes[size_t(r)] = RowHeights(r);
  kitgridops::RewriteIntList(FSuppressRowSizes.get(), sizes);
}

void TKitStringGrid::UnSuppressAllOpenRows() {
  const int nodeCol = FCellNode->NodeColumn();
  for (int r = FixedRows(); r <= LastRow(); ++r) {
    TCellGraphic* g = GetCellGraphic(nodeCol, r);
    if (g != nullptr && g->CellType() == ctNode && g->CellBoolean()) {
      // A contracted node: its span stays as it is.
      r += std::max(g->CellIndex(), 1) - 1;
      continue;
    }
    if (RowHeights(r) == 0 && r < FSuppressRowSizes->Count() && FSuppressRowSizes->Items(r) > 0)
      SetRowHeights(r, FSuppressRowSizes->Items(r));
  }
}

int TKitStringGrid::NumSuppressedRows() const {
  int n = 0;
  for (int r = 0; r < RowCount(); ++r)
    if (RowHeights(r) == 0) ++n;
  return n;
}

void TKitStringGrid::SuppressColumn(int Index) {
  const int width = ColWidths(Index);  // raises for a column outside the grid
  if (width <= 0) return;
  while (FSuppressColSizes->Count() <= Index) FSuppressColSizes->Add(DefaultColWidth());
  FSuppressColSizes->SetItems(Index, width);
  SetColWidths(Index, 0);
}

void TKitStringGrid::UnSuppressColumn(int Index) {
  ColWidths(Index);  // raises for a column outside the grid
  if (Index < FSuppressColSizes->Count()) SetColWidths(Index, FSuppressColSizes->Items(Index));
}

void TKitStringGrid::UnSuppressAllColumns() {
  for (int c = 0; c <= LastCol(); ++c)
    if (c < FSuppressColSizes->Count() && FSuppressColSizes->Items(c) > 0 && ColWidths(c) == 0)
      SetColWidths(c, FSuppressColSizes->Items(c));
  std::vector<int> sizes(static_cast<size_t>(ColCount()));
  for (int c = 0; c < ColCount(); ++c) sizes[size_t(c)] = ColWidths(c);
  kitgridops::RewriteIntList(FSuppressColSizes.get(), sizes);
}

bool TKitStringGrid::IsSuppressedColumn(int Index) const {
  if (Index < 0 || Index >= ColCount()) return false;
  return ColWidths(Index) == 0 && Index < FSuppressColSizes->Count() && FSuppressColSizes->Items(Index) != 0;
}

// ---------------------------------------------------------------------------
// Selection, current row, used cells

bool TKitStringGrid::IsSelectionHidden() const {
  const TGridRect s = RawSelection();
  return s.Left == ColCount() && s.Right == ColCount() && s.Top == RowCount();
}

void TKitStringGrid::SetRowEx(int Value) {
  if (Col() < 0 || Col() >= ColCount()) {
    FocusCell(RawFixedCols(), std::clamp(Value, 0, RowCount() - 1));
    if (Options().Contains(goRowSelect))
      TCustomGrid::SetSelection(MakeGridRect(RawFixedCols(), Row(), ColCount() - 1, Row()));
  }
  if (Value < FixedRows()) Value = FixedRows();
  if (Value >= RowCount()) Value = RowCount() - 1;
  if (Value < 0) return;
  SetRawRow(Value);
  FAECol = -1;
  FAERow = -1;
  if (Row() != FOldRowSel) {
    const int old = FOldRowSel;
    FOldRowSel = Row();
    if (OnRowChanged) OnRowChanged(this, old, Row());
  }
  if (FMouseActions->DisjunctRowSelect()) {
    const TValueRestore<bool> block(FBlockCellChanging, true);
    SelectionToRowSelect(false);
  }
  if (FSyncGrid && FSyncGrid->Grid() != nullptr && FSyncGrid->SelectionRow()) {
    if (auto* other = dynamic_cast<TKitStringGrid*>(FSyncGrid->Grid())) {
      if (other != this && other->Row() != Row() && Row() < other->RowCount()) {
        TNotifyEvent click = std::move(other->OnClick);
        other->OnClick = nullptr;
        try {
          other->SetRow(Row());
        } catch (...) {
          other->OnClick = std::move(click);
          throw;
        }
        other->OnClick = std::move(click);
      }
    } else if (auto* grid = dynamic_cast<TCustomGrid*>(FSyncGrid->Grid())) {
      if (Row() < grid->RowCount()) grid->SetRow(Row());
    }
  }
  FDisSelection = GetSelection();
}

TRect TKitStringGrid::GetUsedCells() {
  int left = -1, top = -1, right = -1, bottom = -1;
  for (int r = 0; r < RowCount(); ++r)
    for (int c = 0; c < ColCount(); ++c) {
      if (GetGridCell(c, r).isEmpty()) continue;
      if (left < 0 || c < left) left = c;
      if (top < 0) top = r;
      right = std::max(right, c);
      bottom = r;
    }
  if (left < 0) return TRect(0, 0, 0, 0);
  return TRect(left, top, right, bottom);
}
