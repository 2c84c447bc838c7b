// Emptying, inserting and removing rows and columns. Every operation keeps
// the row-parallel lists (modified, enabled, disjunct selection), the
// column-parallel ones (visibility, hidden widths), cell controls, the
// current cell and the update bracket in step with the cells it moves; cell
// records move with their cells and are freed exactly once.

#include <QHash>
#include <algorithm>

#include "grid/model/KitGrid.h"

namespace {

// Closes an update bracket on every way out.
struct TUpdateGuard {
  TKitStringGrid* Grid;
  explicit TUpdateGuard(TKitStringGrid* G) : Grid(G) { Grid->BeginUpdate(); }
  ~TUpdateGuard() { Grid->EndUpdate(); }
};

void InsertEntries(TIntList* List, int Index, int Count) {
  if (Index < 0 || Index >= List->Count()) return;
  for (int i = 0; i < Count; ++i) List->Insert(Index, 0);
}

void DeleteEntries(TIntList* List, int Index, int Count) {
  for (int i = 0; i < Count && Index >= 0 && Index < List->Count(); ++i) List->Delete(Index);
}

void DeleteEntries(TList* List, int Index, int Count) {
  for (int i = 0; i < Count && Index >= 0 && Index < List->Count(); ++i) List->Delete(Index);
}

}  // namespace

// ---------------------------------------------------------------------------
// Emptying

void TKitStringGrid::ClearRect(int ACol1, int ARow1, int ACol2, int ARow2) {
  if (ACol2 < ACol1 || ARow2 < ARow1 || ARow1 < 0 || ACol1 < 0) return;
  const bool destroying = ComponentState().Contains(csDestroying);
  for (int r = ARow1; r <= ARow2; ++r)
    for (int i = ACol1; i <= ACol2; ++i) {
      const int c = FSaveHiddenCells ? DisplToRealCol(i) : i;
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
  if (RowCount() > 0 && ColCount() > 0)
    ClearRect(0, 0, std::max(FMaxColCount, TotalColCount()) - 1, std::max(FMaxRowCount, RowCount()) - 1);
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
  TUpdateGuard update(this);
  const int lastWidth = ColCount() > 0 ? ColWidths(ColCount() - 1) : 0;
  if (FSelHidden || Col() >= ColCount() || Row() >= RowCount()) UnHideSelection();
  const int footer = FFloatingFooter->Visible() ? 1 : 0;
  const int old = RowCount();
  SetRowCount(old + RCount);
  // The new (empty) rows made at the end move to RowIndex; a visible
  // floating footer stays the last row. The framework's row move carries
  // texts, records and heights.
  const int from = RowCount() - footer - RCount;
  for (int i = 0; i < RCount; ++i) {
    MoveRow(from + i, RowIndex + i);
    SetRowHeights(RowIndex + i, DefaultRowHeight());
  }
  if (FShowModified->Enabled()) InsertEntries(FModifiedRows.get(), RowIndex, RCount);
  if (FUseEnabledRows) InsertEntries(FEnabledRows.get(), RowIndex, RCount);
  if (ColCount() > 0) SetColWidths(ColCount() - 1, lastWidth);
  if (UpdateCellControls && FControlList->Count() > 0) {
    const int real = RealRowIndex(RowIndex);
    for (int i = 0; i < FControlList->Count(); ++i)
      if (FControlList->Control(i)->Y >= real) FControlList->Control(i)->Y += RCount;
    CellControlsUpdate(false);
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
  if (RowIndex >= RowCount() || RCount <= 0 || RowIndex < 0) return;
  if (FFilterActive) {
    // A filtered grid removes the real rows with the filter off, then
    // filters again.
    const int real = RealRowIndex(RowIndex);
    TUpdateGuard update(this);
    FFilterActive = false;
    struct TFilterBack {
      bool& F;
      ~TFilterBack() { F = true; }
    } filterBack{FFilterActive};
    RemoveRows(real, RCount);
    return;
  }
  RCount = std::min(RCount, RowCount() - RowIndex);
  // Controls of the removed rows go with them; those below move up.
  if (FControlList->Count() > 0) {
    const int real = RealRowIndex(RowIndex);
    for (int i = FControlList->Count() - 1; i >= 0; --i) {
      TControlItem* item = FControlList->Control(i);
      if (item->Y >= real && item->Y < real + RCount) {
        if (item->Control) item->Control->SetVisible(false);
        FControlList->Delete(i);
      } else if (item->Y >= real + RCount) {
        item->Y -= RCount;
      }
    }
  }
  FreeCellPropertiesRect(0, RowIndex, TotalColCount() - 1, RowIndex + RCount - 1);
  for (int r = RowIndex; r < RowIndex + RCount; ++r)
    for (int c = 0; c < TotalColCount(); ++c) SetGridCell(c, r, QString());
  const int lastWidth = ColCount() > 0 ? ColWidths(ColCount() - 1) : 0;
  {
    TUpdateGuard update(this);
    const int topRow = TopRow();
    const int row = Row();
    const bool footer = FFloatingFooter->Visible();
    if (footer) FFloatingFooter->SetVisible(false);
    struct TFooterBack {
      TFloatingFooter* F;
      bool On;
      ~TFooterBack() {
        if (On) F->SetVisible(true);
      }
    } footerBack{FFloatingFooter.get(), footer};
    if (FShowModified->Enabled()) DeleteEntries(FModifiedRows.get(), RowIndex, RCount);
    if (FUseEnabledRows) DeleteEntries(FEnabledRows.get(), RowIndex, RCount);
    if (FMouseActions->DisjunctRowSelect()) DeleteEntries(FRowSelect.get(), RowIndex, RCount);
    // The block moves to the end (the framework's row move carries texts,
      // records and heights) and is cut off.
      for (int i = 0; i < RCount; ++i) MoveRow(RowIndex, RowCount() - 1);
      SetRowCount(RowCount() - RCount);
    FMaxRowCount = std::max(FMaxRowCount - RCount, RowCount());
    const int lastNormal = RowCount() - FFixedFooters - 1;
    if (row >= FixedRows() && row <= lastNormal) {
      if (!FMouseActions->DisjunctRowSelect()) SetRow(row);
      SetTopRow(std::min(topRow, std::max(lastNormal, FixedRows())));
    } else if (lastNormal >= FixedRows()) {
      SetRow(lastNormal);
    } else {
      HideSelection();
    }
    if (ColCount() > 0) SetColWidths(ColCount() - 1, lastWidth);
  }
  CellsChanged(TRect(0, RowIndex, ColCount() - 1, RowIndex + RCount));
  if (FControlList->Count() > 0) CellControlsUpdate(false);
}

void TKitStringGrid::RemoveRowsEx(int RowIndex, int RCount) {
  if (RowIndex >= RowCount() || RCount <= 0 || RowIndex < 0) return;
  RCount = std::min(RCount, RowCount() - RowIndex);
  const int lastWidth = ColCount() > 0 ? ColWidths(ColCount() - 1) : 0;
  const int row = Row();
  const int topRow = TopRow();
  {
    TUpdateGuard update(this);
    // Texts only: the rows' records move out with them and are freed as the
    // grid shrinks past them.
    FreeCellPropertiesRect(0, RowIndex, TotalColCount() - 1, RowIndex + RCount - 1);
    for (int r = RowIndex; r < RowIndex + RCount; ++r)
      for (int c = 0; c < TotalColCount(); ++c) SetGridCell(c, r, QString());
    if (FMouseActions->DisjunctRowSelect()) DeleteEntries(FRowSelect.get(), RowIndex, RCount);
    // The block moves to the end (the framework's row move carries texts,
      // records and heights) and is cut off.
      for (int i = 0; i < RCount; ++i) MoveRow(RowIndex, RowCount() - 1);
      SetRowCount(RowCount() - RCount);
    FMaxRowCount = std::max(FMaxRowCount - RCount, RowCount());
    if (ColCount() > 0) SetColWidths(ColCount() - 1, lastWidth);
    if (row < RowCount()) {
      SetRow(row);
      SetTopRow(std::min(topRow, RowCount() - 1));
    } else if (RowCount() > FixedRows()) {
      SetRow(FixedRows());
      SetTopRow(FixedRows());
    }
  }
  CellsChanged(TRect(0, RowIndex, ColCount() - 1, RowIndex + RCount));
}

void TKitStringGrid::RemoveRowRange(int RowIndex, int RCount) {
  if (RowIndex < 0 || RowIndex >= RowCount() || RCount <= 0) return;
  FreeCellPropertiesRect(0, RowIndex, ColCount() - 1, std::min(RowIndex + RCount, RowCount()) - 1);
  DeleteRowsEx(RowIndex, RCount, true);
}

void TKitStringGrid::DeleteRowsEx(int RowIndex, int RCount, bool UpdateCellControls) {
  if (RowIndex >= RowCount() || RowIndex < 0 || RCount <= 0) return;
  RCount = std::min(RCount, RowCount() - RowIndex);
  if (UpdateCellControls && FControlList->Count() > 0) {
    for (int i = FControlList->Count() - 1; i >= 0; --i) {
      TControlItem* item = FControlList->Control(i);
      if (item->Y >= RowIndex && item->Y < RowIndex + RCount) {
        if (item->Control) item->Control->SetVisible(false);
        FControlList->Delete(i);
      }
    }
  }
  const int fixedFooters = FFixedFooters;
  FFixedFooters = 0;
  struct TFootersBack {
    int& F;
    int V;
    ~TFootersBack() { F = V; }
  } footersBack{FFixedFooters, fixedFooters};
  const int lastWidth = ColCount() > 0 ? ColWidths(ColCount() - 1) : 0;
  {
    TUpdateGuard update(this);
    const int topRow = TopRow();
    const int row = Row();
    if (HasNodes() && row >= 0 && row < RowCount() && Col() != RawFixedCols()) SetCol(RawFixedCols());
    {
      // Records still in the block are not freed: callers hand rows over
      // (hidden rows, groups) or freed them first.
      for (int r = RowIndex; r < RowIndex + RCount; ++r) DetachRowCells(r);
      // The block moves to the end (the framework's row move carries texts,
      // records and heights) and is cut off.
      for (int i = 0; i < RCount; ++i) MoveRow(RowIndex, RowCount() - 1);
      SetRowCount(RowCount() - RCount);
      if (row >= FixedRows() && row < RowCount()) {
        SetRow(row);
        SetTopRow(std::min(topRow, RowCount() - 1));
      } else if (RowCount() > FixedRows()) {
        SetRow(RowCount() - 1);
      } else {
        HideSelection();
      }
    }
    if (ColCount() > 0) SetColWidths(ColCount() - 1, lastWidth);
  }
  CellsChanged(TRect(0, RowIndex, ColCount() - 1, RowIndex + RCount));
  if (FControlList->Count() > 0) CellControlsUpdate(false);
}

void TKitStringGrid::RemoveRowList(TIntList* RowList) {
  if (RowList == nullptr || RowList->Count() == 0) return;
  TUpdateGuard update(this);
  std::vector<int> heights(static_cast<size_t>(RowCount()));
  for (int r = 0; r < RowCount(); ++r) heights[size_t(r)] = RowHeights(r);
  std::vector<bool> drop(static_cast<size_t>(RowCount()), false);
  int dropped = 0;
  for (int k = 0; k < RowList->Count(); ++k) {
    const int r = RowList->Items(k);
    if (r >= 0 && r < RowCount() && !drop[size_t(r)]) {
      drop[size_t(r)] = true;
      ++dropped;
    }
  }
  if (dropped == 0) return;
  // Records of the dropped rows are freed; the kept rows close up with their
  // texts, records and heights, and so do the per-row lists.
  for (int r = 0; r < RowCount(); ++r)
    if (drop[size_t(r)]) FreeCellPropertiesRect(0, r, TotalColCount() - 1, r);
  auto compact = [&](auto* list) {
    for (int r = std::min(list->Count(), RowCount()) - 1; r >= 0; --r)
      if (drop[size_t(r)]) list->Delete(r);
  };
  compact(FModifiedRows.get());
  compact(FEnabledRows.get());
  compact(FRowSelect.get());
  int w = 0;
  for (int i = 0; i < RowCount(); ++i) {
    if (drop[size_t(i)]) continue;
    if (i != w) {
      for (int c = 0; c < TotalColCount(); ++c) {
        SetGridCell(c, w, GetGridCell(c, i));
        SetGridObject(c, w, GetGridObject(c, i));
        SetGridObject(c, i, nullptr);
      }
      SetRowHeights(w, heights[size_t(i)]);
    }
    ++w;
  }
  for (int r = w; r < RowCount(); ++r)
    for (int c = 0; c < TotalColCount(); ++c) {
      SetGridCell(c, r, QString());
      SetGridObject(c, r, nullptr);
    }
  SetRowCount(std::max(RowCount() - dropped, 1));
  CellControlsUpdate(false);
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
  const int firstDispl = RealToDisplCol(ColIndex);
  const int visibleRemoved = CCount - hiddenRemoved;
  for (int i = firstDispl; i + visibleRemoved < ColCount(); ++i) SetColWidths(i, ColWidths(i + visibleRemoved));
  FVisibleCol.erase(FVisibleCol.begin() + ColIndex, FVisibleCol.begin() + ColIndex + CCount);
  FAllColWidths.erase(FAllColWidths.begin() + ColIndex, FAllColWidths.begin() + ColIndex + CCount);
  FNumHidden -= hiddenRemoved;
  SetColCount(std::max(ColCount() - visibleRemoved, 1));
  CellsChanged(TRect(ColIndex, 0, ColIndex + CCount, RowCount() - 1));
}
