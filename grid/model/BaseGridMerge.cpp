// Merged cells of the base grid: how merges are stored in the cell records,
// made and undone, the geometry of merged areas and the navigation that keeps
// the current cell on base cells.

#include <algorithm>

#include "grid/model/BaseGrid.h"
#include "platform/win32/WinUser.h"

TPoint TBaseGrid::BaseCell(int ACol, int ARow) const {
  TCellProperties* rec = FindCellProperties(ACol, ARow);
  if (rec == nullptr) return TPoint(ACol, ARow);
  return rec->BaseCellOf(ACol, ARow);
}

bool TBaseGrid::IsBaseCell(int ACol, int ARow) const {
  TCellProperties* rec = FindCellProperties(ACol, ARow);
  return rec == nullptr || rec->IsBaseCell();
}

bool TBaseGrid::ResolveBaseCell(int ACol, int ARow, int& c, int& r) const {
  c = ACol;
  r = ARow;
  TCellProperties* rec = FindCellProperties(ACol, ARow);
  if (rec == nullptr || rec->IsBaseCell()) return true;
  const TPoint base = rec->BaseCellOf(ACol, ARow);
  c = base.X;
  r = base.Y;
  return false;
}

void TBaseGrid::MoveToBaseCell() {
  const int col = RawCol();
  const int row = RawRow();
  TCellProperties* rec = FindCellProperties(col, row);
  if (rec == nullptr) return;
  const TPoint base = rec->BaseCellOf(col, row);
  if (base.X != col) SetRawCol(base.X);
  if (base.Y != row) SetRawRow(base.Y);
}

TPoint TBaseGrid::CellSpan(int ACol, int ARow) const {
  TCellProperties* rec = FindCellProperties(ACol, ARow);
  if (rec == nullptr || (rec->CellSpanX() == -1 && rec->CellSpanY() <= 0)) return TPoint(0, 0);
  const TPoint base = rec->BaseCellOf(ACol, ARow);
  TCellProperties* baseRec = FindCellProperties(base.X, base.Y);
  if (baseRec == nullptr) return TPoint(0, 0);
  return TPoint(baseRec->CellSpanX(), baseRec->CellSpanY());
}

TPoint TBaseGrid::CellExt(int ACol, int ARow) const {
  TCellProperties* rec = FindCellProperties(ACol, ARow);
  if (rec == nullptr || rec->CellSpanX() == -1 || rec->CellSpanY() == -1) return TPoint(0, 0);
  const TPoint base = rec->BaseCellOf(ACol, ARow);
  TCellProperties* baseRec = FindCellProperties(base.X, base.Y);
  if (baseRec == nullptr) return TPoint(0, 0);
  return TPoint(base.X + baseRec->CellSpanX() - ACol, base.Y + baseRec->CellSpanY() - ARow);
}

TGridRect TBaseGrid::FullCell(int c, int r) const {
  const TPoint base = BaseCell(c, r);
  const TPoint span = CellSpan(c, r);
  TGridRect result;
  result.Left = base.X;
  result.Top = base.Y;
  result.Right = base.X + span.X;
  result.Bottom = base.Y + span.Y;
  return result;
}

bool TBaseGrid::IsMergedCell(int ACol, int ARow) const {
  TCellProperties* rec = FindCellProperties(ACol, ARow);
  return rec != nullptr && (rec->CellSpanX() > 0 || rec->CellSpanY() > 0);
}

bool TBaseGrid::IsMergedNonBaseCell(int ACol, int ARow) const {
  TCellProperties* rec = FindCellProperties(ACol, ARow);
  return IsMergedCell(ACol, ARow) && !rec->IsBaseCell();
}

bool TBaseGrid::IsXMergedCell(int ACol, int ARow) const {
  TCellProperties* rec = FindCellProperties(ACol, ARow);
  if (rec == nullptr) return false;
  const TPoint base = rec->BaseCellOf(ACol, ARow);
  TCellProperties* baseRec = FindCellProperties(base.X, base.Y);
  return baseRec != nullptr && baseRec->CellSpanX() > 0;
}

bool TBaseGrid::IsYMergedCell(int ACol, int ARow) const {
  TCellProperties* rec = FindCellProperties(ACol, ARow);
  if (rec == nullptr) return false;
  const TPoint base = rec->BaseCellOf(ACol, ARow);
  TCellProperties* baseRec = FindCellProperties(base.X, base.Y);
  return baseRec != nullptr && baseRec->CellSpanY() > 0;
}

// ---------------------------------------------------------------------------
// Making and undoing merges

void TBaseGrid::SplitAreasIn(int c1, int r1, int c2, int r2) {
  for (int i = c1; i <= c2; ++i)
    for (int j = r1; j <= r2; ++j) {
      TCellProperties* rec = FindCellProperties(i, j);
      if (rec == nullptr) continue;
      if (rec->CellSpanX() == -1 && rec->RawCellSpanY() == -1) continue;
      // The whole area goes, also where it reaches outside the block.
      const TPoint base = rec->BaseCellOf(i, j);
      TCellProperties* baseRec = FindCellProperties(base.X, base.Y);
      const int sx = baseRec ? std::max(baseRec->CellSpanX(), 0) : 0;
      const int sy = baseRec ? std::max(baseRec->RawCellSpanY(), 0) : 0;
      const int lastCol = std::min(base.X + sx, TotalColCount() - 1);
      const int lastRow = std::min(base.Y + sy, RowCount() - 1);
      for (int x = std::max(base.X, 0); x <= lastCol; ++x)
        for (int y = std::max(base.Y, 0); y <= lastRow; ++y)
          if (TCellProperties* cell = FindCellProperties(x, y)) {
            cell->SetIsBaseCell(true);
            cell->SetCellSpanX(-1);
            cell->SetCellSpanY(-1);
            RepaintCell(x, y);
          }
      // This cell may have pointed at a base that no longer covers it.
      rec->SetIsBaseCell(true);
      rec->SetCellSpanX(-1);
      rec->SetCellSpanY(-1);
    }
}

void TBaseGrid::MergeCells(int c, int r, int spanx, int spany) {
  ++FMergeCount;
  if (spanx < 1 || spany < 1) return;
  // The block ends at the grid's last column and row; a block that starts
  // outside the grid merges nothing.
  if (c < 0 || r < 0 || c >= TotalColCount() || r >= RowCount()) return;
  const int lastCol = std::min(c + spanx - 1, TotalColCount() - 1);
  const int lastRow = std::min(r + spany - 1, RowCount() - 1);
  SplitAreasIn(c, r, lastCol, lastRow);
  for (int i = c; i <= lastCol; ++i)
    for (int j = r; j <= lastRow; ++j) {
      TCellProperties* rec = GetCellProperties(i, j);
      if (i == c && j == r) {
        rec->SetIsBaseCell(true);
        rec->SetCellSpanX(lastCol - c);
        rec->SetCellSpanY(lastRow - r);
      } else {
        rec->SetIsBaseCell(false);
        rec->SetCellSpanX(i - c);
        rec->SetCellSpanY(j - r);
      }
    }
  for (int i = c; i <= lastCol; ++i)
    for (int j = r; j <= lastRow; ++j) RepaintCell(i, j);
}

void TBaseGrid::SplitCells(int c, int r) {
  TCellProperties* rec = FindCellProperties(c, r);
  if (rec != nullptr) {
    const TPoint base = rec->BaseCellOf(c, r);
    TCellProperties* baseRec = FindCellProperties(base.X, base.Y);
    if (baseRec == nullptr) {
      rec->SetIsBaseCell(true);
      rec->SetCellSpanX(-1);
      rec->SetCellSpanY(-1);
    } else {
      const int sx = baseRec->CellSpanX();
      const int sy = baseRec->CellSpanY();
      const int lastCol = std::min(base.X + sx, TotalColCount() - 1);
      const int lastRow = std::min(base.Y + sy, RowCount() - 1);
      for (int i = std::max(base.X, 0); i <= lastCol; ++i)
        for (int j = std::max(base.Y, 0); j <= lastRow; ++j)
          if (TCellProperties* cell = FindCellProperties(i, j)) {
            cell->SetIsBaseCell(true);
            cell->SetCellSpanX(-1);
            cell->SetCellSpanY(-1);
          }
      for (int i = std::max(base.X, 0); i <= lastCol; ++i)
        for (int j = std::max(base.Y, 0); j <= lastRow; ++j) RepaintCell(i, j);
    }
  }
  --FMergeCount;
}

// ---------------------------------------------------------------------------
// Geometry

TRect TBaseGrid::UnclippedCellRect(int c, int r) {
  int x0 = 0;
  for (int i = 0; i < c && i < ColCount(); ++i) x0 += ColWidths(i);
  int y0 = 0;
  for (int j = 0; j < r && j < RowCount(); ++j) y0 += RowHeights(j);
  const int w = c >= 0 && c < ColCount() ? ColWidths(c) : 0;
  const int h = r >= 0 && r < RowCount() ? RowHeights(r) : 0;
  TRect rect(x0, y0, x0 + w, y0 + h);
  if (c >= FixedCols()) {
    int dx = 0;
    for (int i = 0; i < LeftCol() && i < ColCount(); ++i) dx += ColWidths(i);
    rect.Left -= dx;
    rect.Right -= dx;
  }
  if (r >= FixedRows()) {
    int dy = 0;
    for (int j = 0; j < TopRow() && j < RowCount(); ++j) dy += RowHeights(j);
    rect.Top -= dy;
    rect.Bottom -= dy;
  }
  const TRect topLeft = RawCellRect(LeftCol(), TopRow());
  rect.Offset(c < FixedCols() ? 0 : topLeft.Left, r < FixedRows() ? 0 : topLeft.Top);
  return rect;
}

TRect TBaseGrid::CellRect(int c, int r) {
  const int a = RealColIndex(c);
  TCellProperties* rec = FindCellProperties(a, r);
  if (rec != nullptr && (rec->CellSpanX() != -1 || rec->CellSpanY() > 0)) {
    const TPoint base = rec->BaseCellOf(a, r);
    TCellProperties* baseRec = FindCellProperties(base.X, base.Y);
    const int sx = baseRec ? std::max(baseRec->CellSpanX(), 0) : 0;
    const int sy = baseRec ? std::max(baseRec->CellSpanY(), 0) : 0;
    const int d = DisplColIndex(base.X);
    TRect r1 = UnclippedCellRect(d, base.Y);
    if (r1.Width() <= 0) r1.Right = r1.Left + 1;
    TRect r2 = UnclippedCellRect(d + sx, base.Y + sy);
    if (r2.Width() <= 0) r2.Left = r2.Right - 1;
    return TRect(std::min(r1.Left, r2.Left), std::min(r1.Top, r2.Top), std::max(r1.Right, r2.Right),
                 std::max(r1.Bottom, r2.Bottom));
  }
  if (rec != nullptr && rec->Control() != nullptr) return UnclippedCellRect(c, r);
  TRect rect = RawCellRect(c, r);
  if (c >= 0 && c < ColCount()) rect.Right = rect.Left + ColWidths(c);
  if (r >= 0 && r < RowCount()) rect.Bottom = rect.Top + RowHeights(r);
  return rect;
}

TPoint TBaseGrid::CellSize(int c, int r) {
  TRect rect = UnclippedCellRect(c, r);
  if (IsMergedCell(c, r)) {
    const TPoint base = BaseCell(c, r);
    const TPoint span = CellSpan(c, r);
    const TRect first = UnclippedCellRect(base.X, base.Y);
    const TRect last = UnclippedCellRect(base.X + span.X, base.Y + span.Y);
    rect = TRect(std::min(first.Left, last.Left), std::min(first.Top, last.Top), std::max(first.Right, last.Right),
                 std::max(first.Bottom, last.Bottom));
  }
  return TPoint(rect.Width(), rect.Height());
}

int TBaseGrid::MinRowSpan(int ARow) const {
  int result = RowCount();
  for (int c = 0; c < ColCount(); ++c) {
    const int sy = CellSpan(c, ARow).Y;
    if (sy > 0 && sy < RowCount() && sy < result) result = sy;
  }
  return result;
}

int TBaseGrid::MaxRowSpan(int ARow) const {
  int result = 0;
  for (int c = 0; c < ColCount(); ++c) result = std::max(result, CellSpan(c, ARow).Y);
  return result;
}

bool TBaseGrid::RowSpanIdentical(int ARow1, int ARow2) const {
  bool match = false;
  for (int c = 0; c < ColCount(); ++c) {
    if (CellSpan(c, ARow1).Y <= 0) continue;
    if (CellSpan(c, ARow2).Y > 0) {
      if (BaseCell(c, ARow1).Y != BaseCell(c, ARow2).Y) return false;
      match = true;
    }
  }
  return match;
}

bool TBaseGrid::ColSpanIdentical(int ACol1, int ACol2) const {
  bool match = false;
  for (int r = 0; r < RowCount(); ++r) {
    const int s1 = CellSpan(ACol1, r).X;
    const int s2 = CellSpan(ACol2, r).X;
    if (s1 <= 0 || s2 <= 0) {
      if (s1 != s2) return false;
    } else {
      if (BaseCell(ACol1, r).X != BaseCell(ACol2, r).X) return false;
      match = true;
    }
  }
  return match;
}

// ---------------------------------------------------------------------------
// Navigation over merged areas

void TBaseGrid::KeyDown(Word& Key, TShiftState Shift) {
  const int col = RawCol();
  const int row = RawRow();
  TCellProperties* rec = FindCellProperties(col, row);
  int bx = col, by = row;
  TCellProperties* baseRec = nullptr;
  if (rec != nullptr) {
    const TPoint base = rec->BaseCellOf(col, row);
    bx = base.X;
    by = base.Y;
    baseRec = FindCellProperties(bx, by);
  }
  const int spanX = baseRec ? std::max(baseRec->CellSpanX(), 0) : 0;
  const int spanY = baseRec ? std::max(baseRec->CellSpanY(), 0) : 0;
  switch (Key) {
    case VK_NEXT:
      if (VisibleRowCount() + TopRow() - FixedRows() == RowCount() - 1 && FHideLastRow && RowCount() > 1)
        SetRawRow(RowCount() - 2);
      break;
    // Each arrow puts the current cell on the edge of its area that faces
    // the move, so that the string grid's step leaves the area by exactly
    // one cell.
    case VK_LEFT:
      if (rec != nullptr && col > bx && col > FixedCols() && bx > 0) SetRawCol(bx);
      break;
    case VK_UP:
      if (rec != nullptr && row > by && row > FixedRows() && by > 0) SetRawRow(by);
      break;
    case VK_RIGHT:
      if (rec != nullptr) {
        const int v = bx + spanX;
        if (v >= col && col < ColCount() - 1 && bx < ColCount() - 1 && v < ColCount()) SetRawCol(v);
      }
      break;
    case VK_DOWN:
      if (rec != nullptr) {
        const int v = by + spanY;
        if (v >= row && row < RowCount() - 1 && by < RowCount() - 1 && v + 1 < RowCount()) SetRawRow(v);
      }
      break;
    default:
      break;
  }
  TObjStringGrid::KeyDown(Key, Shift);
  MoveToBaseCell();
}

bool TBaseGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  const bool result = TObjStringGrid::DoMouseWheelDown(Shift, MousePos);
  if (FHideLastRow && RawRow() < RowCount() - 1 && RawRow() - TopRow() > VisibleRowCount() &&
      TopRow() + 1 <= RowCount() - 1)
    SetRawTopRow(TopRow() + 1);
  MoveToBaseCell();
  return result;
}

bool TBaseGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  const bool result = TObjStringGrid::DoMouseWheelUp(Shift, MousePos);
  MoveToBaseCell();
  return result;
}

bool TBaseGrid::SelectCell(int ACol, int ARow) {
  // (The framework grid lays out left to right only; a right-to-left grid
  // would repaint as a whole here.)
  RepaintCell(RawCol(), RawRow());
  const bool result = TObjStringGrid::SelectCell(ACol, ARow);
  RepaintCell(ACol, ARow);
  // The active-row colour moves with the current row: both rows are painted
  // again, or the row left would keep it until something else repaints it.
  if (result && FActiveRowShow && ARow != RawRow()) {
    InvalidateRow(RawRow());
    InvalidateRow(ARow);
  }
  return result;
}

void TBaseGrid::TopLeftChanged() {
  TObjStringGrid::TopLeftChanged();
  if (FixedCols() > 0) {
    const int last = std::min(TopRow() + VisibleRowCount(), RowCount() - 1);
    for (int r = TopRow(); r <= last; ++r)
      for (int c = 0; c < FixedCols(); ++c)
        if (IsMergedCell(c, r)) RepaintCell(c, r);
  }
  if (FixedRows() > 0) {
    const int last = std::min(LeftCol() + VisibleColCount(), ColCount() - 1);
    for (int c = LeftCol(); c <= last; ++c)
      for (int r = 0; r < FixedRows(); ++r)
        if (IsMergedCell(c, r)) RepaintCell(c, r);
  }
}
