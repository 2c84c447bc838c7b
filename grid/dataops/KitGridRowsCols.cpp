// Emptying, inserting and removing rows and columns. Every operation keeps
// the row-parallel lists (modified, enabled, disjunct selection, selected
// rows), the hidden-row records, cell controls, the column-parallel lists
// (visibility, hidden widths), the current cell and the update bracket in
// step with the cells it moves; cell records move with their cells and are
// freed exactly once.
//
// Per-row lists, hidden-row records and cell controls are indexed by real
// row (hidden rows counted); the row operations take display rows (the
// rows in the store) unless said otherwise and convert.

#include <QSet>
#include <algorithm>

#include "grid/dataops/KitGridRowOpsSupport.h"
#include "grid/model/KitGrid.h"

using kitgridops::TUpdateGuard;
using kitgridops::TValueRestore;

// ---------------------------------------------------------------------------
// Bookkeeping of rows entering and leaving the grid

void TKitStringGrid::RealRowsRemoved(const std::vector<int>& RealRows) {
  if (RealRows.empty()) return;
  auto below = [&](int v) { return int(std::lower_bound(RealRows.begin(), RealRows.end(), v) - RealRows.begin()); };
  auto gone = [&](int v) { return std::binary_search(RealRows.begin(), RealRows.end(), v); };
  for (TIntList* list : {FModifiedRows.get(), FEnabledRows.get()}) {
    std::vector<int> kept;
    kept.reserve(size_t(list->Count()));
    for (int i = 0; i < list->Count(); ++i)
      if (!gone(i)) kept.push_back(list->Items(i));
    if (int(kept.size()) != list->Count()) kitgridops::RewriteIntList(list, kept);
  }
  {
    std::vector<void*> kept;
    for (int i = 0; i < FRowSelect->Count(); ++i)
      if (!gone(i)) kept.push_back(FRowSelect->Items(i));
    if (int(kept.size()) != FRowSelect->Count()) {
      FRowSelect->SetCount(int(kept.size()));
      for (size_t i = 0; i < kept.size(); ++i) FRowSelect->SetItems(int(i), kept[i]);
    }
  }
  {
    std::vector<int> values;
    for (int i = 0; i < FSelectedRows->Count(); ++i) {
      const int v = FSelectedRows->Items(i);
      if (!gone(v)) values.push_back(v - below(v));
    }
    kitgridops::RewriteIntList(FSelectedRows.get(), values);
  }
  for (int i = 0; i < FHiddenRowStore->Count(); ++i) {
    auto* item = static_cast<TGridItem*>(FHiddenRowStore->Items(i));
    item->SetIdx(item->Idx() - below(item->Idx()));
  }
  ClearHiddenRowLookup();
  for (int i = FControlList->Count() - 1; i >= 0; --i) {
    TControlItem* item = FControlList->Control(i);
    if (gone(item->Y)) {
      if (item->Control != nullptr) item->Control->SetVisible(false);
      FControlList->RemoveControl(i);
      if (FNumCellControls > 0) --FNumCellControls;
    } else {
      item->Y -= below(item->Y);
    }
  }
}

void TKitStringGrid::RealRowsInserted(int RealAt, int Count, bool Controls) {
  if (Count <= 0) return;
  for (TIntList* list : {FModifiedRows.get(), FEnabledRows.get()})
    if (RealAt >= 0 && RealAt < list->Count())
      for (int i = 0; i < Count; ++i) list->Insert(RealAt, 0);
  if (RealAt >= 0 && RealAt < FRowSelect->Count())
    for (int i = 0; i < Count; ++i) FRowSelect->Insert(RealAt, nullptr);
  for (int i = 0; i < FSelectedRows->Count(); ++i)
    if (FSelectedRows->Items(i) >= RealAt) FSelectedRows->SetItems(i, FSelectedRows->Items(i) + Count);
  for (int i = 0; i < FHiddenRowStore->Count(); ++i) {
    auto* item = static_cast<TGridItem*>(FHiddenRowStore->Items(i));
    if (item->Idx() >= RealAt) item->SetIdx(item->Idx() + Count);
  }
  ClearHiddenRowLookup();
  if (Controls)
    for (int i = 0; i < FControlList->Count(); ++i)
      if (FControlList->Control(i)->Y >= RealAt) FControlList->Control(i)->Y += Count;
}

void TKitStringGrid::FreeRowObjects(int DisplRow) {
  for (int c = 0; c < TotalColCount(); ++c) {
    auto* rec = dynamic_cast<TCellProperties*>(GetGridObject(c, DisplRow));
    if (rec == nullptr) continue;
    if (FOwnsObjects && rec->CellObject() != nullptr) {
      std::unique_ptr<TObject> owned(rec->CellObject());
      rec->SetCellObject(nullptr);
    }
    FreeCellProperties(c, DisplRow);
  }
}

void TKitStringGrid::RemoveDisplayRows(const std::vector<int>& Rows) {
  if (Rows.empty()) return;
  std::vector<int> reals;
  reals.reserve(Rows.size());
  for (int d : Rows) reals.push_back(DisplToRealRow(d));
  TUpdateGuard update(this);
  for (int d : Rows) FreeRowObjects(d);
  const int row = Row();
  const int topRow = TopRow();
  const int lastWidth = ColCount() > 0 ? ColWidths(ColCount() - 1) : 0;
  TakeRowsOut(Rows, nullptr);
  RealRowsRemoved(reals);
  FMaxRowCount = std::max(FMaxRowCount - int(Rows.size()), RowCount());
  if (ColCount() > 0) SetColWidths(ColCount() - 1, lastWidth);
  RestoreCurrentRow(row, topRow);
  if (FControlList->Count() > 0) CellControlsUpdate(false);
}

// ---------------------------------------------------------------------------
// Emptying

void TKitStringGrid::ClearRect(int ACol1, int ARow1, int ACol2, int ARow2) {
  if (ACol2 < ACol1 || ARow2 < ARow1 || ARow1 < 0 || ACol1 < 0) return;
  const bool destroying = ComponentState().Contains(csDestroying);
  for (int r = ARow1; r <= ARow2; ++r)
    for (int i = ACol1; i <= ACol2; ++i) {
      const int c = FSaveHiddenCells ? DisplToRealCol(i) : i;
      // A user object the grid owns goes, unless the record is another
      // row's (FNilObjects).
      if (FOwnsObjects && !FNilObjects)
        if (auto* rec = dynamic_cast<TCellProperties*>(GetGridObject(c, r)); rec && rec->CellObject()) {
          std::unique_ptr<TObject> owned(rec->CellObject());
          rec->SetCellObject(nullptr);
        }
      if (!FClearTextOnly && GetGridObject(c, r) != nullptr) {
        if (FNilObjects) SetGridObject(c, r, nullptr);
        else FreeCellProperties(c, r);
      }
      if (!destroying && !GetGridCell(c, r).isEmpty()) {
        SetGridCell(c, r, QString());
        if (c != i) RepaintCell(i, r);
      }
    }
  if (!FSaveHiddenCells && FNumHidden > 0) Invalidate();
  if (ACol1 == 0 && ARow1 == 0 && ACol2 >= ColCount() - 1 && ARow2 >= RowCount() - 1 && !FClearTextOnly)
    FHasCellProps = false;
  if (!destroying) {
    CellsChanged(TRect(DisplToRealCol(ACol1), ARow1, DisplToRealCol(ACol2), ARow2));
    if (FUpdateCount == 0) Invalidate();
  }
}

void TKitStringGrid::ClearRows(int RowIndex, int RCount) {
  if (RowCount() == 0 || ColCount() == 0 || RCount <= 0) return;
  ClearRect(0, RowIndex, ColCount() + FNumHidden - 1, RowIndex + RCount - 1);
}

void TKitStringGrid::ClearCols(int ColIndex, int CCount) {
  if (RowCount() == 0 || ColCount() == 0 || CCount <= 0) return;
  ClearRect(ColIndex, 0, ColIndex + CCount - 1, RowCount() - 1);
}

void TKitStringGrid::ClearNormalRows(int RowIndex, int RCount) {
  if (RowCount() == 0 || ColCount() == 0 || RCount <= 0) return;
  ClearRect(FixedCols(), RowIndex, ColCount() + FNumHidden - FFixedRightCols - 1, RowIndex + RCount - 1);
}

void TKitStringGrid::ClearNormalCols(int ColIndex, int CCount) {
  if (RowCount() == 0 || ColCount() == 0 || CCount <= 0) return;
  ClearRect(ColIndex, FixedRows(), ColIndex + CCount - 1, RowCount() - FFixedFooters - 1);
}

void TKitStringGrid::ClearNormalCells() {
  if (RawFixedCols() == 0 && HasNodes()) RemoveAllNodes();
  ClearRect(FixedCols(), FixedRows(), ColCount() + FNumHidden - FFixedRightCols - 1,
            RowCount() - FFixedFooters - 1);
}

// Empties every cell, fixed, footer and hidden-column cells included. Counts,
// sizes, hidden columns, selection lists and cell controls stay as they are.
void TKitStringGrid::Clear() {
  // Nodes go first (their rows stay as ordinary rows), so no level or node
  // graphic survives.
  if (HasNodes()) ExpandAll();
  if (!ComponentState().Contains(csDestroying) && HasNodes()) RemoveAllNodes();
  if (RowCount() > 0 && ColCount() > 0) ClearRect(0, 0, ColCount() + FNumHidden - 1, RowCount() - 1);
  if (FNumHidden > 0) Invalidate();
}

void TKitStringGrid::ClearAll() {
  if (ComponentState().Contains(csDestroying)) return;
  if (HasNodes()) {
    ExpandAll();
    RemoveAllNodes();
  }
  UnHideColumnsAll();
  UnHideRowsAll();
  if (RowCount() > 0 && ColCount() > 0)
    ClearRect(0, 0, std::max(FMaxColCount, TotalColCount()) - 1, std::max(FMaxRowCount, RowCount()) - 1);
  // Rows that stayed hidden keep their place but no text.
  for (int i = 0; i < FHiddenRowStore->Count(); ++i)
    if (TStringList* cells = static_cast<TGridItem*>(FHiddenRowStore->Items(i))->Items())
      for (int c = 0; c < cells->Count(); ++c) cells->SetStrings(c, QString());
  if (FNumHidden > 0) Invalidate();
}

void TKitStringGrid::ClearSelection() {
  if (FMouseActions->DisjunctRowSelect()) {
    for (int r = FixedRows(); r < RowCount(); ++r) {
      const int at = FMouseActions->RowSelectPersistent() ? DisplToRealRow(r) : r;
      if (GetRowSelect(at)) ClearRows(r, 1);
    }
    return;
  }
  const bool saveHidden = FSaveHiddenCells;
  FSaveHiddenCells = true;
  struct TRestore {
    bool& Flag;
    bool Value;
    ~TRestore() { Flag = Value; }
  } restore{FSaveHiddenCells, saveHidden};
  if (FMouseActions->DisjunctColSelect()) {
    for (int c = FixedCols(); c < ColCount(); ++c)
      if (GetColSelect(c)) ClearCols(c, 1);
    return;
  }
  const TGridRect s = GetSelection();
  ClearRect(s.Left, s.Top, s.Right, s.Bottom);
}

// ---------------------------------------------------------------------------
// Inserting

void TKitStringGrid::AddRow() {
  if (FFloatingFooter->Visible()) {
    InsertRows(RowCount() - 1, 1, true);
    if (FFloatingFooter->FooterStyle() == fsFixedLastRow) ClearRows(RowCount() - 2, 1);
    return;
  }
  InsertRows(RowCount(), 1, true);
  ClearRows(RowCount() - 1, 1);
}

void TKitStringGrid::InsertRows(int RowIndex, int RCount, bool UpdateCellControls) {
  if (RCount <= 0) return;
  if (RowIndex < 0 || RowIndex > RowCount())
    throw EKitGridError(QStringLiteral("Invalid row ") + QString::number(RowIndex) + QStringLiteral(" accessed"));
  // A floating footer row stays the last row.
  RowIndex = std::min(RowIndex, RowCount() - FloatingFooterRows());
  const int realAt = RowIndex < RowCount() ? DisplToRealRow(RowIndex) : TotalRowCount();
  {
    TUpdateGuard update(this);
    const int lastWidth = ColCount() > 0 ? ColWidths(ColCount() - 1) : 0;
    const int leftCol = RawLeftCol();
    if (FSelHidden || Col() >= ColCount() || Row() >= RowCount()) UnHideSelection();
    std::vector<TRowEntry> entries;
    entries.reserve(size_t(RCount));
    for (int i = 0; i < RCount; ++i) entries.push_back(TRowEntry{RowIndex + i, nullptr, DefaultRowHeight()});
    PutRowsIn(entries);
    if (FNavigation->KeepHorizScroll() && leftCol < ColCount() && leftCol >= RawFixedCols()) SetRawLeftCol(leftCol);
    RealRowsInserted(realAt, RCount, UpdateCellControls);
    if (ColCount() > 0) SetColWidths(ColCount() - 1, lastWidth);
    if (UpdateCellControls && FControlList->Count() > 0) CellControlsUpdate(false);
  }
  if (!ComponentState().Contains(csDestroying)) CellsChanged(TRect(0, RowIndex, ColCount() - 1, RowIndex + RCount));
}

void TKitStringGrid::InsertCols(int ColIndex, int CCount) {
  if (CCount <= 0) return;
  if (ColIndex < 0 || ColIndex > ColCount())
    throw EKitGridError(QStringLiteral("Invalid column ") + QString::number(ColIndex) +
                        QStringLiteral(" accessed"));
  TUpdateGuard update(this);
  const int oldTotal = TotalColCount();
  SetColCount(ColCount() + CCount);
  // Store columns move as real indexes; widths follow the display columns.
  const int realAt = ColIndex < ColCount() - CCount ? DisplToRealCol(ColIndex) : oldTotal;
  for (int i = 0; i < CCount; ++i) Store().MoveColumn(oldTotal + i, realAt + i);
  // Hidden rows get the new (empty) cells at the same place.
  for (int h = 0; h < FHiddenRowStore->Count(); ++h)
    if (TStringList* cells = static_cast<TGridItem*>(FHiddenRowStore->Items(h))->Items())
      if (realAt <= cells->Count())
        for (int i = 0; i < CCount; ++i) cells->InsertObject(realAt, QString(), nullptr);
  std::vector<bool> vis(FVisibleCol.begin(), FVisibleCol.begin() + oldTotal);
  std::vector<int> widths(FAllColWidths.begin(), FAllColWidths.begin() + oldTotal);
  vis.insert(vis.begin() + realAt, size_t(CCount), true);
  widths.insert(widths.begin() + realAt, size_t(CCount), DefaultColWidth());
  FVisibleCol = vis;
  FAllColWidths = widths;
  for (int i = ColCount() - 1; i >= ColIndex + CCount; --i) SetColWidths(i, ColWidths(i - CCount));
  for (int c = ColIndex; c < ColIndex + CCount; ++c) {
    const bool suppressed = c < FSuppressColSizes->Count() && FSuppressColSizes->Items(c) == 0;
    if (!suppressed) SetColWidths(c, DefaultColWidth());
  }
}

// ---------------------------------------------------------------------------
// Removing

void TKitStringGrid::RemoveRows(int RowIndex, int RCount) {
  if (RowIndex < 0 || RowIndex >= RowCount() || RCount <= 0) return;
  // A filtered grid shows its filter's survivors: the display rows removed
  // are the real rows the filter would give back, and the filter's records
  // are renumbered with the others.
  const int end = std::min(RowIndex + RCount, RowCount() - FloatingFooterRows());
  if (end <= RowIndex) return;
  std::vector<int> rows;
  for (int d = RowIndex; d < end; ++d) rows.push_back(d);
  RemoveDisplayRows(rows);
  CellsChanged(TRect(0, RowIndex, ColCount() - 1, RowIndex + RCount));
  if (FSearchFooter->Visible()) UpdateSearchPanel();
}

void TKitStringGrid::RemoveRowsEx(int RowIndex, int RCount) {
  if (RowIndex < 0 || RCount <= 0 || RowIndex >= TotalRowCount()) return;
  // The shown rows of the real block; rows of it that are hidden stay so.
  const int footerRow = RowCount() - FloatingFooterRows();
  std::vector<int> rows;
  for (int r = RowIndex; r < RowIndex + RCount && r < TotalRowCount(); ++r) {
    if (IsHiddenRow(r)) continue;
    const int d = RealToDisplRow(r);
    if (d < footerRow) rows.push_back(d);
  }
  if (rows.empty()) return;
  RemoveDisplayRows(rows);
  CellsChanged(TRect(0, rows.front(), ColCount() - 1, rows.front() + RCount));
}

void TKitStringGrid::RemoveRowRange(int RowIndex, int RCount) {
  if (RowIndex < 0 || RowIndex >= RowCount() || RCount <= 0) return;
  const int end = std::min(RowIndex + RCount, RowCount());
  for (int d = RowIndex; d < end; ++d) FreeRowObjects(d);
  DeleteRowsEx(RowIndex, RCount, true);
}

void TKitStringGrid::DeleteRowsEx(int RowIndex, int RCount, bool UpdateCellControls) {
  if (RowIndex < 0 || RowIndex >= RowCount() || RCount <= 0) return;
  const int end = std::min(RowIndex + RCount, RowCount() - FloatingFooterRows());
  if (end <= RowIndex) return;
  bool allow = true;
  if (Row() == RowCount() - 1 && OnRowChanging) OnRowChanging(this, Row(), Row() - RCount, allow);
  if (allow) {
    std::vector<int> rows;
    std::vector<int> reals;
    for (int d = RowIndex; d < end; ++d) {
      rows.push_back(d);
      reals.push_back(DisplToRealRow(d));
    }
    const TValueRestore<int> footers(FFixedFooters, 0);
    struct TDisjunctBack {
      TMouseActions* Actions;
      bool On;
      ~TDisjunctBack() { Actions->SetDisjunctRowSelectDirect(On); }
    } disjunctBack{FMouseActions.get(), FMouseActions->DisjunctRowSelect()};
    FMouseActions->SetDisjunctRowSelectDirect(false);
    TUpdateGuard update(this);
    const TValueRestore<bool> block(FBlockCellChanging, true);
    const int row = Row();
    const int topRow = TopRow();
    const int lastWidth = ColCount() > 0 ? ColWidths(ColCount() - 1) : 0;
    if (HasNodes() && row >= 0 && row < RowCount() && Col() != RawFixedCols()) SetCol(RawFixedCols());
    // A removal frees what the caller left in the block; a hand-over only
    // drops the references.
    if (UpdateCellControls)
      for (int d : rows) FreeRowObjects(d);
    TakeRowsOut(rows, nullptr);
    if (UpdateCellControls) RealRowsRemoved(reals);
    FMaxRowCount = std::max(FMaxRowCount - int(rows.size()), RowCount());
    if (ColCount() > 0) SetColWidths(ColCount() - 1, lastWidth);
    RestoreCurrentRow(row, topRow);
  }
  CellsChanged(TRect(0, RowIndex, ColCount() - 1, RowIndex + RCount));
  if (FControlList->Count() > 0) CellControlsUpdate(false);
}

void TKitStringGrid::RemoveRowList(TIntList* RowList) {
  if (RowList == nullptr || RowList->Count() == 0) return;
  // Positions in the store; the floating footer row stays.
  const int footerRow = RowCount() - FloatingFooterRows();
  std::vector<int> rows;
  for (int k = 0; k < RowList->Count(); ++k) {
    const int r = RowList->Items(k);
    if (r >= 0 && r < footerRow) rows.push_back(r);
  }
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  RemoveDisplayRows(rows);
}

void TKitStringGrid::RemoveDuplicates(int ACol, bool DoCase) {
  const int col = DisplToRealCol(ACol);
  TUpdateGuard update(this);
  TIntList marked(-1, -1);
  // Texts that differ in case are duplicates only when case is ignored: a
  // case-sensitive call keeps them.
  QSet<QString> seen;
  for (int r = FixedRows(); r < RowCount() - FFixedFooters; ++r) {
    const QString text = GetGridCell(col, r);
    const QString key = DoCase ? text : text.toCaseFolded();
    if (seen.contains(key)) marked.Add(r);
    else seen.insert(key);
  }
  RemoveRowList(&marked);
}

void TKitStringGrid::RemoveCheckedRows(int CheckBoxColumn, bool RemoveChecked) {
  TUpdateGuard update(this);
  for (int r = RowCount() - 1; r >= FixedRows(); --r) {
    TCellGraphic* g = GetCellGraphic(CheckBoxColumn, r);
    if (g == nullptr || !HasCellCheckBox(CheckBoxColumn, r)) continue;
    if (g->CellBoolean() == RemoveChecked) RemoveRows(r, 1);
  }
}

void TKitStringGrid::RemoveCols(int ColIndex, int CCount) {
  if (ColIndex < 0 || CCount <= 0 || ColIndex >= TotalColCount()) return;
  CCount = std::min(CCount, TotalColCount() - ColIndex);
  if (CCount >= ColCount() && CCount >= TotalColCount()) CCount = TotalColCount() - 1;
  if (CCount <= 0) return;
  TUpdateGuard update(this);
  ClearCols(ColIndex, CCount);
  // Store columns close up by real index; widths by display index.
  const int total = TotalColCount();
  int hiddenRemoved = 0;
  for (int c = ColIndex; c < ColIndex + CCount; ++c)
    if (IsHiddenColumn(c)) ++hiddenRemoved;
  for (int i = 0; i < CCount; ++i) Store().MoveColumn(ColIndex, total - 1);
  // Hidden rows lose the same cells, their records freed.
  for (int h = 0; h < FHiddenRowStore->Count(); ++h) {
    TStringList* cells = static_cast<TGridItem*>(FHiddenRowStore->Items(h))->Items();
    if (cells == nullptr) continue;
    for (int c = std::min(ColIndex + CCount, cells->Count()) - 1; c >= ColIndex; --c) {
      if (auto* rec = dynamic_cast<TCellProperties*>(cells->Objects(c))) {
        if (FOwnsObjects && rec->CellObject() != nullptr) {
          std::unique_ptr<TObject> owned(rec->CellObject());
          rec->SetCellObject(nullptr);
        }
        std::unique_ptr<TCellProperties> freed(rec);
        cells->SetObjects(c, nullptr);
      }
      cells->Delete(c);
    }
  }
  const int firstDispl = RealToDisplCol(ColIndex);
  const int visibleRemoved = CCount - hiddenRemoved;
  for (int i = firstDispl; i + visibleRemoved < ColCount(); ++i) SetColWidths(i, ColWidths(i + visibleRemoved));
  FVisibleCol.erase(FVisibleCol.begin() + ColIndex, FVisibleCol.begin() + ColIndex + CCount);
  FAllColWidths.erase(FAllColWidths.begin() + ColIndex, FAllColWidths.begin() + ColIndex + CCount);
  FNumHidden -= hiddenRemoved;
  SetColCount(std::max(ColCount() - visibleRemoved, 1));
  CellsChanged(TRect(ColIndex, 0, ColIndex + CCount, RowCount() - 1));
}
