// The base grid's paint step of one cell: the rectangle it occupies (the
// whole area of a merged cell, painted once per pass), the clip under the
// fixed cells, the background with its gradient, the hover-row and
// active-row colours, the selection frame, the grid lines, and then the
// cell painter for the content.

#include <algorithm>

#include "grid/model/BaseGrid.h"
#include "grid/model/KitGridDraw.h"
#include "platform/win32/Gdi.h"

namespace {

struct TFrameColours {
  TColor c[8];
};
// The selection frame colours by style when focused, and the grey set of
// any unfocused grid: fill, fill-to, mirror, mirror-to, upper inner line,
// lower inner line, outline, inner corner.
constexpr TFrameColours kVista{{0xFDF8F1, 0xFCEFD5, clNone, clNone, 0xFDFBF6, 0xFDF5E7, 0xFDDE99, 0xFCEDCB}};
constexpr TFrameColours kWin7{{0xFCEBDC, 0xFCDBC1, clNone, clNone, 0xFDF4EB, 0xFDEADB, 0xCEA27D, 0xE0C5AE}};
constexpr TFrameColours kOffice2007{{0xD7FFFD, 0x58D4FC, 0x58D4FC, 0xB3F1FC, 0xF4FEFF, 0xCAF8FF, 0x8DD7D3, 0xC3D9DF}};
constexpr TFrameColours kUnfocused{{0xF8F8F8, 0xE5E5E5, clNone, clNone, 0xFBFAFA, 0xF0F0F0, 0xD9D9D9, 0xEFEFEF}};

}  // namespace

int TBaseGrid::FixedColsWidth() {
  int w = 0;
  for (int c = 0; c < FixedCols(); ++c) w += ColWidths(c);
  return w;
}

int TBaseGrid::FixedRowsHeight() {
  int h = 0;
  for (int r = 0; r < FixedRows(); ++r) h += RowHeights(r);
  return h;
}

void TBaseGrid::Paint() {
  TObjStringGrid::Paint();
  ++FPaintID;
}

void TBaseGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
  PaintStep(Canvas(), ACol, true, AState, ARect, ARow);
}

void TBaseGrid::PaintCell(TCanvas* ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState) {
  PaintStep(ACanvas, ACol, true, AState, ARect, ARow);
}

void TBaseGrid::PaintCellExt(TCanvas* ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState) {
  PaintStep(ACanvas, ACol, false, AState, ARect, ARow);
}

void TBaseGrid::PaintStep(TCanvas* Canvas, int ACol, bool WithContent, TGridDrawState AState, TRect R, int ARow) {
  if (Canvas == nullptr) return;
  // 1. The hidden last row is a plain rectangle in the grid colour.
  if (ARow == RowCount() - 1 && FHideLastRow) {
    Canvas->Brush()->SetColor(Color());
    Canvas->Pen()->SetColor(Color());
    Canvas->Rectangle(R);
    return;
  }
  // 2. A suppressed row paints nothing.
  if (ARow >= 0 && ARow < RowCount() && RowHeights(ARow) == 0) return;
  // 3. A covered cell paints its area once per pass.
  int bc = 0, br = 0;
  if (!ResolveBaseCell(RealColIndex(ACol), ARow, bc, br)) {
    TCellProperties* base = FindCellProperties(bc, br);
    // The base cell's paint takes the pass's serial (below), so later
    // covered cells of the area paint nothing.
    if (base != nullptr && base->PaintID() != FPaintID) PaintStep(Canvas, DisplColIndex(bc), WithContent, AState, R, br);
    return;
  }
  // The base cell of a merged area takes this pass's serial too: the area
  // is painted once per pass whichever of its cells is asked first (a
  // second paint would, among others, take away its focus rectangle).
  if (WithContent) {
    TCellProperties* rec = FindCellProperties(bc, br);
    if (rec != nullptr && (rec->CellSpanX() > 0 || rec->CellSpanY() > 0)) {
      if (rec->PaintID() == FPaintID) return;
      rec->SetPaintID(FPaintID);
    }
  }
  // 4, 5.
  if (WithContent && IsFixed(ACol, ARow)) {
    AState.Exclude(gdSelected);
    AState.Include(gdFixed);
  }
  if (WithContent) R = CellRect(ACol, ARow);

  // 6. Clip a cell that reaches under the fixed cells.
  const int fixedCols = FixedCols();
  const int fixedRows = FixedRows();
  const int fw = ACol < fixedCols ? 0 : FixedColsWidth();
  const int fh = ARow >= fixedRows ? FixedRowsHeight() : 0;
  bool clipped = false;
  int savedDC = 0;
  if ((ACol >= fixedCols && fixedCols > 0 && R.Left < fw) || (ARow >= fixedRows && fixedRows > 0 && R.Top < fh)) {
    savedDC = ::SaveDC(Canvas->Handle());
    ::IntersectClipRect(Canvas->Handle(), fw, fh, Width(), Height());
    clipped = true;
  }

  // 7. The cell's look.
  Canvas->Pen()->SetWidth(1);
  Canvas->SetFont(Font());
  TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
  TAlignment ha = taLeftJustify;
  TVAlignment va = vtaTop;
  bool ww = false;
  TCellGradientDirection gd = GradientVertical;
  GetVisualProperties(ACol, ARow, AState, false, true, true, Canvas->Brush(), colorTo, mirror, mirrorTo,
                      Canvas->Font(), ha, va, ww, gd);
  Canvas->Pen()->SetColor(Canvas->Brush()->Color());

  // 8. Hover row.
  bool exempt = (AState.Contains(gdSelected) && !FHoverRowCells.Contains(hcSelected)) ||
                (AState.Contains(gdFixed) && !FHoverRowCells.Contains(hcFixed));
  if (HasNodes())
    exempt = exempt || (!FHoverRowCells.Contains(hcGroupHeader) && IsNode(ARow)) ||
             (!FHoverRowCells.Contains(hcGroupSummary) && IsSummary(ARow));
  if (FHoverRow && FHoverRowIdx == ARow && !exempt) {
    Canvas->Brush()->SetColor(FHoverRowColor);
    colorTo = FHoverRowColorTo;
    mirror = mirrorTo = clNone;
    gd = GradientVertical;
  }

  // 9. Active row.
  const bool currentCell = ACol == RawCol() && ARow == RawRow();
  if (FActiveRowShow && ARow == RawRow() && !IsFixed(ACol, ARow) && ACol >= fixedCols &&
      (!currentCell || !FShowSel || Options().Contains(goRowSelect))) {
    Canvas->Brush()->SetColor(FActiveRowColor);
    colorTo = FActiveRowColorTo;
    mirror = FActiveRowMirrorColor;
    mirrorTo = FActiveRowMirrorColorTo;
  } else if (!WithContent && AState.Contains(gdSelected)) {
    Canvas->Brush()->SetColor(FActiveRowColor);
    colorTo = FActiveRowColorTo;
    mirror = FActiveRowMirrorColor;
    mirrorTo = FActiveRowMirrorColorTo;
  }
  Canvas->Pen()->SetColor(Canvas->Brush()->Color());

  // 10. Background.
  // Controls here lay out left to right (the layer has no right-to-left
  // alignment).
  const bool rtl = false;
  if (AState.Contains(gdSelected) && FSelectionStyle != ssDefault && FShowSel) {
    const TGridRect sel = Selection();
    const int left = std::min(sel.Left, sel.Right);
    const int right = std::max(sel.Left, sel.Right);
    int part = 0;
    if (ACol == left && right > left)
      part = 1;
    else if (ACol == right && left < right)
      part = 2;
    else if (ACol > left && ACol < right)
      part = 3;
    TRect frame = R;
    if (!Options().Contains(goHorzLine)) frame.Bottom += 1;
    if (!Options().Contains(goVertLine)) frame.Right += 1;
    if (rtl) {
      frame.Right += 1;
      frame.Bottom += 1;
    }
    const bool focused = Focused() || Options().Contains(goDrawFocusSelected);
    const TFrameColours& set = !focused                          ? kUnfocused
                               : FSelectionStyle == ssVista      ? kVista
                               : FSelectionStyle == ssWin7       ? kWin7
                                                                 : kOffice2007;
    // The set's order: fill, fill-to, mirror, mirror-to, upper inner line,
    // lower inner line, outline, inner corner; the outer corner takes the
    // grid's colour, so the frame's corners round off into the grid.
    DrawSelectionFrame(Canvas, set.c[0], set.c[1], part, frame, Color(), set.c[7], set.c[6], set.c[5], set.c[4],
                       set.c[3], set.c[2]);
  } else if (!(GetUseKWFStyles() && (AState.Contains(gdFixed) || AState.Contains(gdSelected)))) {
    const TColor brush = Canvas->Brush()->Color();
    if (brush == clNone) {
      // A look without a first colour (the fixed cells of the flat Office
      // and Windows 8/10 styles) would leave the cell's old pixels: its
      // ground is the mirror colour when it has one (those styles give all
      // four the same), else the fixed colour, or the grid's.
      Canvas->Brush()->SetColor(mirror != clNone ? mirror : AState.Contains(gdFixed) ? FixedColor() : Color());
      Canvas->Brush()->SetStyle(bsSolid);
      Canvas->FillRect(R);
      Canvas->Brush()->SetColor(brush);
    }
    if (mirrorTo == clNone) {
      if (colorTo == clNone) {
        // The plain fill of most cells: one rectangle in the brush colour.
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->FillRect(R);
      } else {
        FillGradientRect(Canvas, brush, colorTo, gd == GradientHorizontal, R, 64);
      }
    } else {
      FillMirrorGradientRect(Canvas, R, brush, true, false, clNone, true, mirrorTo, mirror, colorTo);
    }
    Canvas->Brush()->SetColor(brush);
  }

  // 11. Grid lines: the bottom and right line of the cell.
  const bool fixedState = AState.Contains(gdFixed);
  int w = 0;
  if (fixedState) {
    w = GridFixedLineWidth();
    if (w > 0) Canvas->Pen()->SetColor(GridFixedLineColor());
  } else {
    w = GridLineWidth();
    if (w > 0) Canvas->Pen()->SetColor(GridLineColor());
  }
  if (w > 0) {
    Canvas->Pen()->SetWidth(w);
    const int h = (w + 1) / 2;
    const TGridOptions o = Options();
    const bool bottom = (o.Contains(goHorzLine) && !fixedState) || (o.Contains(goFixedHorzLine) && fixedState);
    const bool right = (o.Contains(goVertLine) && !fixedState) || (o.Contains(goFixedVertLine) && fixedState);
    const int x = R.Right - h + (rtl ? 1 : 0);
    if (w == 1) {
      // A one-pixel line covers the pixels from its start up to (not
      // including) its end: the same pixels as a one-pixel-wide fill, which
      // costs far less than stroking.
      const TColor brush = Canvas->Brush()->Color();
      Canvas->Brush()->SetStyle(bsSolid);
      Canvas->Brush()->SetColor(Canvas->Pen()->Color());
      if (bottom) Canvas->FillRect(TRect(R.Left - h, R.Bottom - h, R.Right - h, R.Bottom - h + 1));
      if (right) Canvas->FillRect(TRect(x, R.Top - h + 1, x + 1, R.Bottom - h + 1));
      Canvas->Brush()->SetColor(brush);
    } else {
      if (bottom) {
        Canvas->MoveTo(R.Left - h, R.Bottom - h);
        Canvas->LineTo(R.Right - h, R.Bottom - h);
      }
      if (right) {
        Canvas->MoveTo(x, R.Bottom - h);
        Canvas->LineTo(x, R.Top - h);
      }
    }
    Canvas->Pen()->SetWidth(1);
  }

  // 12. Content.
  if (WithContent) {
    TRect content = R;
    if (fixedState) {
      content.Right -= 1;
      content.Bottom -= 2;
    } else {
      const int g = GridLineWidth();
      content = TRect(R.Left + g, R.Top + g, R.Right - g, R.Bottom - g);
    }
    DrawGridCell(Canvas, ACol, ARow, content, AState);
  }

  // 13.
  if (clipped) ::RestoreDC(Canvas->Handle(), savedDC);
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Pen()->SetStyle(psSolid);
}

void TBaseGrid::DrawGridCell(TCanvas* Canvas, int ACol, int ARow, TRect ARect, TGridDrawState) {
  if (Canvas == nullptr) return;
  QString text = GetCellEx(RealColIndex(ACol), ARow);
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->TextRect(ARect, text, {tfSingleLine, tfVerticalCenter});
  Canvas->Brush()->SetStyle(bsSolid);
}
