// The framework grid's painting: lines, the four cell areas in their order
// with each cell's state, the area beyond the cells, the sizing line.

#include <algorithm>

#include "platform/vcl/Grids.h"
#include "platform/win32/Gdi.h"

namespace {
constexpr TColor kFixedLineColor = clBlack;
constexpr TColor kLineColor = clSilver;
}  // namespace

void TCustomGrid::Paint() {
  TCanvas* canvas = Canvas();
  canvas->SetFont(Font());
  const TAxisInfo h = CalcAxis(true);
  const TAxisInfo v = CalcAxis(false);
  DrawLines();
  // Fixed x fixed, fixed rows x scrolled columns, scrolled rows x fixed
  // columns, scrolled x scrolled.
  DrawCells(0, 0, 0, 0, h.FixedBoundary, v.FixedBoundary, FFixedColor, TGridDrawState{gdFixed});
  DrawCells(FTopLeft.X, 0, h.FixedBoundary, 0, h.GridBoundary, v.FixedBoundary, FFixedColor, TGridDrawState{gdFixed});
  DrawCells(0, FTopLeft.Y, 0, v.FixedBoundary, h.FixedBoundary, v.GridBoundary, FFixedColor, TGridDrawState{gdFixed});
  DrawCells(FTopLeft.X, FTopLeft.Y, h.FixedBoundary, v.FixedBoundary, h.GridBoundary, v.GridBoundary, FColor,
            TGridDrawState());
  // Beyond the cells: the grid's colour.
  const int width = ClientWidth();
  const int height = ClientHeight();
  canvas->Brush()->SetColor(FColor);
  canvas->Brush()->SetStyle(bsSolid);
  if (h.GridBoundary < width) canvas->FillRect(TRect(h.GridBoundary, 0, width, height));
  if (v.GridBoundary < height) canvas->FillRect(TRect(0, v.GridBoundary, std::min(h.GridBoundary, width), height));
  if (FGridState == gsColSizing || FGridState == gsRowSizing) DrawSizingLine();
}

void TCustomGrid::DrawLines() {
  const TAxisInfo h = CalcAxis(true);
  const TAxisInfo v = CalcAxis(false);
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetStyle(bsSolid);
  auto fill = [&](TColor Color, int L, int T, int R, int B) {
    if (R <= L || B <= T) return;
    canvas->Brush()->SetColor(Color);
    canvas->FillRect(TRect(L, T, R, B));
  };
  int pos = 0;
  // The vertical lines: after each column in view, the fixed columns' lines
  // the whole height, the scrolled ones' split into their fixed and scrolled
  // parts.
  if (h.Line > 0) {
    auto column = [&](int c) {
      if (!LinePos(h, FCols, c, pos)) return;
      const int x = pos + std::max(FCols.Size(c), 0);
      if (c < FFixedCols) {
        if (FOptions.Contains(goFixedVertLine)) fill(kFixedLineColor, x, 0, x + h.Line, v.GridBoundary);
      } else {
        if (FOptions.Contains(goFixedVertLine)) fill(kFixedLineColor, x, 0, x + h.Line, v.FixedBoundary);
        if (FOptions.Contains(goVertLine)) fill(kLineColor, x, v.FixedBoundary, x + h.Line, v.GridBoundary);
      }
    };
    for (int c = 0; c < FFixedCols; ++c) column(c);
    for (int c = h.FirstGridCell; c <= h.LastVisibleCell; ++c) column(c);
  }
  if (v.Line > 0) {
    auto row = [&](int r) {
      if (!LinePos(v, FRows, r, pos)) return;
      const int y = pos + std::max(FRows.Size(r), 0);
      if (r < FFixedRows) {
        if (FOptions.Contains(goFixedHorzLine)) fill(kFixedLineColor, 0, y, h.GridBoundary, y + v.Line);
      } else {
        if (FOptions.Contains(goFixedHorzLine)) fill(kFixedLineColor, 0, y, h.FixedBoundary, y + v.Line);
        if (FOptions.Contains(goHorzLine)) fill(kLineColor, h.FixedBoundary, y, h.GridBoundary, y + v.Line);
      }
    };
    for (int r = 0; r < FFixedRows; ++r) row(r);
    for (int r = v.FirstGridCell; r <= v.LastVisibleCell; ++r) row(r);
  }
}

void TCustomGrid::DrawCells(int ACol, int ARow, int StartX, int StartY, int StopX, int StopY, TColor AColor,
                            TGridDrawState AState) {
  TCanvas* canvas = Canvas();
  const int hLine = FCols.LineWidth();
  const int vLine = FRows.LineWidth();
  const bool active = IsActiveControl();
  const TGridRect sel = Selection();
  const bool rowSelect = FOptions.Contains(goRowSelect);
  int y = StartY;
  for (int r = ARow; r < RowCount() && y < StopY; ++r) {
    const int height = FRows.Size(r);
    if (height < 0) continue;
    int x = StartX;
    for (int c = ACol; c < ColCount() && x < StopX; ++c) {
      const int width = FCols.Size(c);
      if (width < 0) continue;
      const TRect where(x, y, x + width, y + height);
      const RECT rc{where.Left, where.Top, where.Right, where.Bottom};
      if (width > 0 && height > 0 && RectVisible(canvas->Handle(), &rc)) {
        TGridDrawState state = AState;
        const bool focused = active && c == RawCol() && r == RawRow();
        if (focused) state.Include(gdFocused);
        if (!AState.Contains(gdFixed) && sel.Contains(c, r)) {
          if (!focused || rowSelect || FOptions.Contains(goDrawFocusSelected)) state.Include(gdSelected);
          if (rowSelect) state.Include(gdRowSelected);
        }
        if (FDefaultDrawing) {
          const bool highlight = state.Contains(gdSelected) && !state.Contains(gdFixed);
          canvas->Brush()->SetStyle(bsSolid);
          canvas->Brush()->SetColor(highlight ? clHighlight : AColor);
          canvas->Font()->SetColor(highlight ? clHighlightText : Font()->Color());
          canvas->FillRect(where);
        }
        DrawCell(c, r, where, state);
        if (FDefaultDrawing && AState.Contains(gdFixed) && FCtl3D) {
          UINT edges = 0;
          if (FOptions.Contains(goFixedVertLine)) edges |= BF_LEFT | BF_RIGHT;
          if (FOptions.Contains(goFixedHorzLine)) edges |= BF_TOP | BF_BOTTOM;
          RECT edge = rc;
          if (edges) ::DrawEdge(canvas->Handle(), &edge, BDR_RAISEDINNER, edges);
        }
        if (FDefaultDrawing && state.Contains(gdFocused) && !rowSelect &&
            !(FOptions.Contains(goEditing) && FOptions.Contains(goAlwaysShowEditor)))
          canvas->DrawFocusRect(where);
      }
      x += width + hLine;
    }
    y += height + vLine;
  }
}

void TCustomGrid::DrawSizingLine() {
  TCanvas* canvas = Canvas();
  canvas->Pen()->SetColor(clBlack);
  canvas->Pen()->SetStyle(psDot);
  canvas->Pen()->SetWidth(1);
  if (FGridState == gsColSizing) {
    canvas->MoveTo(FSizingPos, 0);
    canvas->LineTo(FSizingPos, std::max(ClientHeight(), GridHeight()));
  } else {
    canvas->MoveTo(0, FSizingPos);
    canvas->LineTo(std::max(ClientWidth(), GridWidth()), FSizingPos);
  }
  canvas->Pen()->SetStyle(psSolid);
}
