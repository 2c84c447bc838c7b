// The framework grid's geometry: where cells are, which cell is under a
// point, how far the view can scroll, and the scroll bars with their 0..127
// thumb.

#include <algorithm>

#include "platform/vcl/Grids.h"

using GridsDetail::TGridAxis;

namespace {
constexpr int kThumbRange = 127;
}

int TCustomGrid::HorzLineWidth() const {
  return FOptions.Contains(goVertLine) || FOptions.Contains(goFixedVertLine) ? FGridLineWidth : 0;
}

int TCustomGrid::VertLineWidth() const {
  return FOptions.Contains(goHorzLine) || FOptions.Contains(goFixedHorzLine) ? FGridLineWidth : 0;
}

void TCustomGrid::SyncLineWidths() {
  FCols.SetLineWidth(HorzLineWidth());
  FRows.SetLineWidth(VertLineWidth());
}

TCustomGrid::TAxisInfo TCustomGrid::CalcAxis(bool Horz) const {
  const TGridAxis& axis = Axis(Horz);
  TAxisInfo info;
  info.Line = axis.LineWidth();
  info.FixedCellCount = Horz ? FFixedCols : FFixedRows;
  info.GridCellCount = axis.Count();
  info.FixedBoundary = int(std::min<int64_t>(axis.Offset(info.FixedCellCount), INT32_MAX / 2));
  info.GridExtent = Horz ? ClientWidth() : ClientHeight();
  info.FirstGridCell = Horz ? FTopLeft.X : FTopLeft.Y;
  const int first = info.FirstGridCell;
  const int64_t base = axis.Offset(first);
  const int64_t avail = int64_t(info.GridExtent) - info.FixedBoundary;
  const int64_t rest = axis.Total() - base;
  if (avail <= 0 || rest <= 0) {
    info.LastVisibleCell = first - 1;
    info.LastFullVisibleCell = first;
    info.GridBoundary = std::min(info.FixedBoundary, info.GridExtent);
    info.FullVisBoundary = info.GridBoundary;
    return info;
  }
  // The last item reached by the view, and the last one wholly in it.
  int last = axis.ItemAt(base + std::min(avail, rest) - 1);
  if (last < 0) last = info.GridCellCount - 1;
  if (avail >= rest) last = info.GridCellCount - 1;
  info.LastVisibleCell = last;
  // A cell whose own pixels fit is wholly shown even when its line does not.
  int full = last;
  if (axis.Offset(last + 1) - base > avail + info.Line) --full;
  info.LastFullVisibleCell = std::max(full, first);
  info.GridBoundary = int(info.FixedBoundary + std::min(axis.Offset(last + 1) - base, avail));
  info.FullVisBoundary = int(info.FixedBoundary + std::min(axis.Offset(full + 1) - base, avail));
  if (full < first) info.FullVisBoundary = info.FixedBoundary;
  return info;
}

int TCustomGrid::CalcMaxCell(bool Horz, int Last) const {
  const TGridAxis& axis = Axis(Horz);
  const int fixed = Horz ? FFixedCols : FFixedRows;
  if (Last < fixed) return fixed;
  // The room of the scrolled area; the last item's line may fall outside.
  const int64_t avail =
      int64_t(Horz ? ClientWidth() : ClientHeight()) - axis.Offset(fixed) + axis.LineWidth();
  const int64_t end = axis.Offset(Last + 1);
  if (avail <= 0) return Last;
  const int64_t target = end - avail;
  if (target <= axis.Offset(fixed)) return fixed;
  const int j = axis.ItemAt(target);
  if (j < 0) return Last;
  const int first = axis.Offset(j) >= target ? j : j + 1;
  return std::clamp(first, fixed, Last);
}

int TCustomGrid::CalcMaxTopLeft(bool Horz) const { return CalcMaxCell(Horz, Axis(Horz).Count() - 1); }

TGridCoord TCustomGrid::MaxTopLeft() const { return TGridCoord{CalcMaxTopLeft(true), CalcMaxTopLeft(false)}; }

bool TCustomGrid::LinePos(const TAxisInfo& Info, const TGridAxis& Axis, int Index, int& Pos) const {
  if (Index < 0 || Index >= Axis.Count() || Axis.IsHidden(Index)) return false;
  int64_t p;
  if (Index < Info.FixedCellCount) {
    p = Axis.Offset(Index);
  } else if (Index >= Info.FirstGridCell && Index <= Info.LastVisibleCell) {
    p = Info.FixedBoundary + Axis.Offset(Index) - Axis.Offset(Info.FirstGridCell);
  } else {
    return false;
  }
  if (p >= Info.GridExtent) return false;
  Pos = int(p);
  return true;
}

TRect TCustomGrid::RawCellRect(int ACol, int ARow) const {
  const TAxisInfo h = CalcAxis(true);
  const TAxisInfo v = CalcAxis(false);
  int x = 0, y = 0;
  if (!LinePos(h, FCols, ACol, x) || !LinePos(v, FRows, ARow, y)) return TRect();
  return TRect(x, y, x + FCols.Size(ACol), y + FRows.Size(ARow));
}

int TCustomGrid::CoordFromPoint(const TAxisInfo& Info, const TGridAxis& Axis, int Pos) const {
  if (Pos < 0) return -1;
  if (Pos < Info.FixedBoundary) {
    const int item = Axis.ItemAt(Pos);
    return item >= 0 && item < Info.FixedCellCount ? item : -1;
  }
  return Axis.ItemAt(int64_t(Pos) - Info.FixedBoundary + Axis.Offset(Info.FirstGridCell));
}

TGridCoord TCustomGrid::MouseCoord(int X, int Y) const {
  TGridCoord c{CoordFromPoint(CalcAxis(true), FCols, X), CoordFromPoint(CalcAxis(false), FRows, Y)};
  if (c.X < 0 || c.Y < 0) c = TGridCoord{-1, -1};
  return c;
}

void TCustomGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) const {
  const TGridCoord c = MouseCoord(X, Y);
  ACol = c.X;
  ARow = c.Y;
}

int TCustomGrid::VisibleColCount() const {
  const TAxisInfo h = CalcAxis(true);
  return std::max(h.LastFullVisibleCell - h.FirstGridCell + 1, 1);
}

int TCustomGrid::VisibleRowCount() const {
  const TAxisInfo v = CalcAxis(false);
  return std::max(v.LastFullVisibleCell - v.FirstGridCell + 1, 1);
}

int TCustomGrid::GridWidth() const { return CalcAxis(true).GridBoundary; }

int TCustomGrid::GridHeight() const { return CalcAxis(false).GridBoundary; }

int TCustomGrid::PageCount(bool Horz) const {
  const TAxisInfo info = CalcAxis(Horz);
  return std::max(info.LastFullVisibleCell - info.FirstGridCell, 1);
}

TRect TCustomGrid::BoxRect(const TGridRect& ARect) const {
  TRect result;
  auto span = [&](bool Horz, int First, int Last, int& Start, int& Stop) {
    const TAxisInfo info = CalcAxis(Horz);
    const TGridAxis& axis = Axis(Horz);
    First = std::max(First, 0);
    Last = std::min(Last, axis.Count() - 1);
    Start = INT32_MAX;
    Stop = INT32_MIN;
    auto add = [&](int a, int b) {
      if (a > b) return;
      int p = 0;
      // The first item of the run that is in view.
      for (int i = a; i <= b; ++i) {
        if (LinePos(info, axis, i, p)) {
          Start = std::min(Start, p);
          break;
        }
      }
      for (int i = b; i >= a; --i) {
        if (LinePos(info, axis, i, p)) {
          Stop = std::max(Stop, p + std::max(axis.Size(i), 0) + info.Line);
          break;
        }
      }
    };
    add(First, std::min(Last, info.FixedCellCount - 1));
    add(std::max(First, info.FirstGridCell), std::min(Last, info.LastVisibleCell));
    return Start < Stop;
  };
  int l, r, t, b;
  if (!span(true, ARect.Left, ARect.Right, l, r) || !span(false, ARect.Top, ARect.Bottom, t, b)) return result;
  return TRect(l, t, r, b);
}

// --- scrolling ------------------------------------------------------------------

void TCustomGrid::MoveTopLeft(int ALeft, int ATop) {
  ALeft = std::clamp(ALeft, FFixedCols, ColCount() - 1);
  ATop = std::clamp(ATop, FFixedRows, RowCount() - 1);
  if (ALeft == FTopLeft.X && ATop == FTopLeft.Y) return;
  const TGridCoord old = FTopLeft;
  FTopLeft = TGridCoord{ALeft, ATop};
  TopLeftMoved(old);
}

void TCustomGrid::TopLeftMoved(const TGridCoord& OldTopLeft) {
  UpdateScrollPos();
  // The pixels between the old and the new first scrolled cells.
  const int64_t dx = FCols.Offset(OldTopLeft.X) - FCols.Offset(FTopLeft.X);
  const int64_t dy = FRows.Offset(OldTopLeft.Y) - FRows.Offset(FTopLeft.Y);
  ScrollData(int(std::clamp<int64_t>(dx, -INT32_MAX / 2, INT32_MAX / 2)),
             int(std::clamp<int64_t>(dy, -INT32_MAX / 2, INT32_MAX / 2)));
  TopLeftChanged();
}

void TCustomGrid::ScrollData(int DX, int DY) {
  if (!HandleAllocated() || FUpdating) return;
  const TAxisInfo h = CalcAxis(true);
  const TAxisInfo v = CalcAxis(false);
  const int width = ClientWidth();
  const int height = ClientHeight();
  if (DX != 0 && DY != 0) {
    InvalidateGrid();
    return;
  }
  if (DX != 0) {
    // The scrolled columns move, with the fixed rows above them.
    const RECT area{h.FixedBoundary, 0, width, height};
    ScrollWindow(Handle(), DX, 0, &area, &area);
  }
  if (DY != 0) {
    const RECT area{0, v.FixedBoundary, width, height};
    ScrollWindow(Handle(), 0, DY, &area, &area);
  }
}

void TCustomGrid::ClampInView(const TGridCoord& Coord) {
  if (!HandleAllocated()) return;
  const TAxisInfo h = CalcAxis(true);
  const TAxisInfo v = CalcAxis(false);
  TGridCoord topLeft = FTopLeft;
  if (Coord.X >= FFixedCols) {
    if (Coord.X < h.FirstGridCell)
      topLeft.X = Coord.X;
    else if (Coord.X > h.LastFullVisibleCell)
      topLeft.X = CalcMaxCell(true, Coord.X);
  }
  if (Coord.Y >= FFixedRows) {
    if (Coord.Y < v.FirstGridCell)
      topLeft.Y = Coord.Y;
    else if (Coord.Y > v.LastFullVisibleCell)
      topLeft.Y = CalcMaxCell(false, Coord.Y);
  }
  MoveTopLeft(topLeft.X, topLeft.Y);
}

void TCustomGrid::CheckTopLeftLimits() {
  const TGridCoord max = MaxTopLeft();
  if (FTopLeft.X > max.X || FTopLeft.Y > max.Y)
    MoveTopLeft(std::min(FTopLeft.X, max.X), std::min(FTopLeft.Y, max.Y));
}

void TCustomGrid::UpdateScrollRange() {
  if (!HandleAllocated() || FInScrollUpdate) return;
  FInScrollUpdate = true;
  struct TDone {
    bool& Flag;
    ~TDone() { Flag = false; }
  } done{FInScrollUpdate};
  const HWND h = Handle();
  const bool horz = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
  const bool vert = FScrollBars == ssVertical || FScrollBars == ssBoth;
  // Showing one bar narrows the room of the other: settle in a few rounds.
  for (int round = 0; round < 3; ++round) {
    const TGridCoord max = MaxTopLeft();
    const bool wantH = horz && max.X > FFixedCols;
    const bool wantV = vert && max.Y > FFixedRows;
    TWindowScrollBars* bars = WindowScrollBars();
    const bool hadH = bars && bars->IsVisible(SB_HORZ);
    const bool hadV = bars && bars->IsVisible(SB_VERT);
    SetScrollRange(h, SB_HORZ, 0, wantH ? kThumbRange : 0, TRUE);
    SetScrollRange(h, SB_VERT, 0, wantV ? kThumbRange : 0, TRUE);
    if (!IsWindow(h)) return;
    if (hadH == wantH && hadV == wantV) break;
  }
  CheckTopLeftLimits();
  UpdateScrollPos();
}

void TCustomGrid::UpdateScrollPos() {
  if (!HandleAllocated()) return;
  const TGridCoord max = MaxTopLeft();
  auto position = [](int Value, int Fixed, int Max) {
    if (Max <= Fixed) return 0;
    return std::clamp(MulDiv(Value - Fixed, kThumbRange, Max - Fixed), 0, kThumbRange);
  };
  TWindowScrollBars* bars = WindowScrollBars();
  if (bars && bars->IsVisible(SB_HORZ)) SetScrollPos(Handle(), SB_HORZ, position(FTopLeft.X, FFixedCols, max.X), TRUE);
  if (bars && bars->IsVisible(SB_VERT)) SetScrollPos(Handle(), SB_VERT, position(FTopLeft.Y, FFixedRows, max.Y), TRUE);
}

void TCustomGrid::ModifyScrollBar(bool Horz, WORD ScrollCode, int Pos) {
  const int fixed = Horz ? FFixedCols : FFixedRows;
  const int max = CalcMaxTopLeft(Horz);
  const int current = Horz ? FTopLeft.X : FTopLeft.Y;
  int value = current;
  switch (ScrollCode) {
    case SB_LINEUP: value = current - 1; break;
    case SB_LINEDOWN: value = current + 1; break;
    case SB_PAGEUP: value = current - std::max(Horz ? VisibleColCount() : VisibleRowCount(), 1); break;
    case SB_PAGEDOWN: value = current + std::max(Horz ? VisibleColCount() : VisibleRowCount(), 1); break;
    case SB_THUMBTRACK:
      if (!FOptions.Contains(goThumbTracking)) return;
      [[fallthrough]];
    case SB_THUMBPOSITION:
      value = MulDiv(std::clamp(Pos, 0, kThumbRange), max - fixed, kThumbRange) + fixed;
      break;
    case SB_TOP: value = fixed; break;
    case SB_BOTTOM: value = max; break;
    default: return;
  }
  value = std::clamp(value, fixed, std::max(max, fixed));
  if (Horz)
    MoveTopLeft(value, FTopLeft.Y);
  else
    MoveTopLeft(FTopLeft.X, value);
}

// --- invalidation -------------------------------------------------------------------

void TCustomGrid::InvalidateRect(const TGridRect& ARect) {
  if (!HandleAllocated() || FUpdating) return;
  const TRect r = BoxRect(ARect);
  if (r.IsEmpty()) return;
  const RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  ::InvalidateRect(Handle(), &rc, FALSE);
}

void TCustomGrid::InvalidateCell(int ACol, int ARow) { InvalidateRect(TGridRect{ACol, ARow, ACol, ARow}); }

void TCustomGrid::InvalidateCol(int ACol) { InvalidateRect(TGridRect{ACol, 0, ACol, RowCount() - 1}); }

void TCustomGrid::InvalidateRow(int ARow) { InvalidateRect(TGridRect{0, ARow, ColCount() - 1, ARow}); }

void TCustomGrid::InvalidateGrid() {
  if (!HandleAllocated() || FUpdating) return;
  Invalidate();
}
