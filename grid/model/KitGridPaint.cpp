// Painting of the string grid: the per-cell painter in its fixed order
// (styled background, fixed-cell looks, row indicator, modified mark,
// always-visible editor buttons, text, borders, fixed edges, tree lines,
// drawing events, focus rectangle; the less common branches are in
// KitGridPaintParts.cpp), and
// the paint cycle around the cells (the frame of the cell being edited, the
// background beyond the cells, the sizing lines).

#include <QRegion>
#include <QWidget>
#include <algorithm>

#include "grid/model/KitGrid.h"
#include "grid/model/KitGridDraw.h"
#include "grid/model/KitGridShadow.h"
#include "grid/model/KitObjAux.h"
#include "platform/vcl/Themes.h"
#include "platform/win32/Gdi.h"
#include "platform/win32/ScrollBars.h"
#include "platform/win32/Theme.h"

namespace {

void Line(TCanvas* Canvas, int X1, int Y1, int X2, int Y2) {
  Canvas->MoveTo(X1, Y1);
  Canvas->LineTo(X2, Y2);
}

}  // namespace

bool TKitStringGrid::StyledClient() {
  return FUseStyleServices && TStyleManager::IsCustomStyleActive() && StyleElements().Contains(seClient);
}

void TKitStringGrid::DrawGridCell(TCanvas* Canvas, int ACol, int ARow, TRect ARect, TGridDrawState AState) {
  if (Canvas == nullptr) return;
  TCellPaintContext ctx;
  ctx.Canvas = Canvas;
  ctx.Rect = ARect;
  ctx.State = AState;
  ctx.DisplCol = ACol;
  ctx.Row = ARow;

  // 1, 2.
  SetCtl3D(!FFlat);
  ctx.RealCol = DisplToRealCol(ACol);
  ctx.SelRow = FMouseActions->DisjunctRowSelect() && FMouseActions->RowSelectPersistent() ? DisplToRealRow(ARow) : ARow;
  ctx.FilterGlyph = ARow == FFilterDropDownRow && BuildFilterList(ctx.RealCol, true, false);

  // 3. The cell's own scroll bar; the rest of the cell is left of it.
  if (HasScrollBar(ctx.RealCol, ARow)) ctx.ScrollOffset = PaintCellScrollBar(ctx, ctx.Rect);

  // 4. The cell's look without the selection (the text step colours it).
  GetVisualProperties(ACol, ARow, ctx.State, false, false, true, Canvas->Brush(), ctx.ColorTo, ctx.MirrorColor,
                      ctx.MirrorColorTo, Canvas->Font(), ctx.HAlign, ctx.VAlign, ctx.WordWrap, ctx.Gradient);
  ctx.Layout = GetCellGraphicLayout(ctx.RealCol, ARow);
  ctx.Graphic = ctx.Layout.Graphic;
  // A look without a first colour leaves the cell on its ground (as the base
  // step filled it): the mirror colour, else the fixed colour or the grid's.
  if (Canvas->Brush()->Color() == clNone)
    Canvas->Brush()->SetColor(ctx.MirrorColor != clNone ? ctx.MirrorColor
                              : IsFixed(ACol, ARow) || ACol < RawFixedCols() || ARow < RawFixedRows() ? FixedColor()
                                                                                                       : Color());
  if (ctx.State.Contains(gdSelected) && !Focused() && FSelectionColor == clNone) Canvas->Brush()->SetColor(clHighlight);
  if (FZoomFactor != 0) {
    const int size = Canvas->Font()->Size() + FZoomFactor;
    // A sum of 0 or less would be no font at all: the smallest is 1 point.
    Canvas->Font()->SetSize(size <= 0 ? 1 : size);
  }
  ctx.SavedBrush = Canvas->Brush()->Color();
  ctx.SavedFont = Canvas->Font()->Color();
  ctx.Fixed = IsFixed(ACol, ARow) || ACol < RawFixedCols() || ARow < RawFixedRows();
  if (ARow == FHoverRowIdx && FHoverRowCells.Contains(hcFixed)) ctx.Fixed = false;

  // 5. The active visual style's background.
  TRect& r = ctx.Rect;
  const bool styled = StyledClient();
  if (styled) {
    TCellProperties* rec = FindCellProperties(ctx.RealCol, ARow);
    const bool ownColour = rec != nullptr && rec->BrushColor() != clNone;
    const bool selected = ctx.State.Contains(gdSelected);
    if (!(ownColour && !selected)) {
      const TCustomStyleServices& style = TStyleManager::ActiveStyle();
      if (ctx.Fixed) {
        const RECT rc{r.Left, r.Top, r.Right + 1, r.Bottom + 2};
        const int saved = ::SaveDC(Canvas->Handle());
        style.DrawElement(Canvas->Handle(), TCustomStyleServices::GetElementDetails(tgFixedCellNormal), rc);
        ::RestoreDC(Canvas->Handle(), saved);
        Canvas->Brush()->SetStyle(bsClear);
        ctx.Themed = true;
      } else if (selected && IsSelectionVisible()) {
        const RECT rc{r.Left - 1, r.Top - 1, r.Right, r.Bottom};
        const int saved = ::SaveDC(Canvas->Handle());
        style.DrawElement(Canvas->Handle(), TCustomStyleServices::GetElementDetails(tgCellSelected), rc);
        ::RestoreDC(Canvas->Handle(), saved);
        Canvas->Brush()->SetStyle(bsClear);
        ctx.Themed = true;
      }
    }
    if (selected && !IsSelectionVisible()) {
      if (!Options().Contains(goVertLine)) r.Right += 1;
      if (!Options().Contains(goHorzLine)) r.Bottom += 1;
      Canvas->Pen()->SetColor(Canvas->Brush()->Color());
      Canvas->Rectangle(r.Left - 1, r.Top - 1, r.Right, r.Bottom);
      Canvas->Brush()->SetStyle(bsClear);
    }
  }

  // 6. Fixed-cell looks.
  const bool gradientLook =
      FLook == glVDX || FLook == glXP || FLook == glVista || FLook == glWin7 || FLook == glOffice2007;
  if (ctx.Fixed && !ctx.Themed && gradientLook && !PaintHoveredHeader(ctx)) {
    const bool activeHeader = FActiveCellShow && ((ARow == Row() && ACol < RawFixedCols() && RawFixedCols() > 0) ||
                                                  (ACol == Col() && ARow < RawFixedRows() && RawFixedRows() > 0));
    if (activeHeader) {
      FillMirrorGradientRect(Canvas, r, FActiveCellColor, true, false, clNone, true, clNone, clNone,
                             FActiveCellColorTo);
    } else {
      if (FLook != glXP) {
        r.Right -= 1;
        r.Bottom -= 1;
      }
      const int sortColumn = FSortSettings->Column();
      if (sortColumn != -1 && FSortSettings->HeaderColor() != clNone && ACol == sortColumn && ARow < RawFixedRows() &&
          (ACol >= RawFixedCols() || FSortSettings->FixedCols())) {
        FillMirrorGradientRect(Canvas, r, FSortSettings->HeaderColor(), true, false, clNone, true,
                               FSortSettings->HeaderMirrorColorTo(), FSortSettings->HeaderMirrorColor(),
                               FSortSettings->HeaderColorTo());
      } else if (!FFlat) {
        FillMirrorGradientRect(Canvas, r, Canvas->Brush()->Color(), true, true, FLook == glVista ? clWhite : clNone,
                               true, ctx.MirrorColorTo, ctx.MirrorColor, ctx.ColorTo);
      }
    }
  }

  // 7. Row indicator.
  const int indicatorShift = FRowIndicator->Empty() ? 0 : PaintRowIndicator(ctx);

  // 8. List-view header.
  if (ctx.Fixed && !ctx.Themed && FLook == glListView && !FFlat) PaintListViewHeader(ctx);

  // 9. Modified-row mark.
  if (ACol == 0 && FShowModified->Enabled() && RowModified(DisplToRealRow(ARow))) {
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(FShowModified->Color());
    Canvas->FillRect(TRect(r.Right - 4, r.Top, r.Right, r.Bottom));
    Canvas->Brush()->SetColor(ctx.SavedBrush);
  }

  // 10.
  if (OnCustomCellBkgDraw) OnCustomCellBkgDraw(this, Canvas, ctx.RealCol, ARow, ctx.State, r, false);

  // 11. Always-visible editor buttons.
  const int savedRight = r.Right;
  if (!ctx.Fixed && (FControlLook->DropDownAlwaysVisible() || FControlLook->SpinButtonsAlwaysVisible())) {
    const double scale = GetDPIScale();
    int kind = FControlLook->FlatButton() ? 2 : (IsThemeActive() ? 0 : 1);
    if (FFlat && FColorTones.Background.BrushColor != clNone) kind = 3;
    bool editable = true;
    IsCellEditable(ctx.RealCol, ARow, editable);
    const int state = editable ? 0 : 3;
    TEditorType editor = FDefaultEditor;
    GetCellEditorType(ctx.RealCol, ARow, editor);
    if (FControlLook->DropDownAlwaysVisible()) {
      if (HasComboBox(ctx.RealCol, ARow, editor)) {
        DrawDropDownButton(Canvas, this, TRect(r.Left - 2, r.Top - 1, r.Right + 1, r.Bottom), scale, FColorTones,
                           state, kind);
        r.Right -= int(Round(FControlLook->DropDownButtonWidth() * scale));
      } else if (HasEditBtn(ctx.RealCol, ARow, editor)) {
        DrawCellButton(Canvas, this,
                       TRect(r.Right - FControlLook->DropDownButtonWidth() - 3, r.Top - 1, r.Right - 1, r.Bottom - 1),
                       QStringLiteral("..."), FControlLook->ButtonPrefix(), FColorTones, state, kind);
        r.Right -= FControlLook->DropDownButtonWidth();
      }
    }
    if (FControlLook->SpinButtonsAlwaysVisible() && HasSpinEdit(ctx.RealCol, ARow, editor)) {
      DrawSpinButtons(Canvas, this, r, scale, FColorTones, state, kind);
      r.Right -= int(Round(16 * scale));
    }
  }

  // 12. Text; an object that paints under its text first.
  auto* cellObject = ctx.Graphic != nullptr && ctx.Graphic->CellType() == ctInterface
                         ? dynamic_cast<IGridCell*>(ctx.Graphic->CellBitmap())
                         : nullptr;
  const bool beforeText = cellObject != nullptr && cellObject->PaintsBeforeText();
  if (beforeText) {
    TRect g(r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1);
    DrawCellGraphic(ctx, g);
  }
  const bool noText = (FNoImageAndText && ctx.Graphic != nullptr) ||
                      (FNoDefaultDraw && (OnDrawCell || OnCustomCellDraw));
  // The text step works on its own text rectangle: the later steps get the
  // cell's.
  const TRect textStepRect = r;
  if (!noText) DrawCellText(ctx);
  r = textStepRect;

  // 13. Borders (the row indicator's room given back first, so a left
  // border stays on the cell's edge).
  r.Right = savedRight;
  r.Left -= indicatorShift;
  Canvas->Brush()->SetColor(ctx.SavedBrush);
  Canvas->Font()->SetColor(ctx.SavedFont);
  TRect borderRect(r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1);
  DrawCellBorders(Canvas, ACol, ARow, borderRect, ctx.Fixed);

  // 14. Fixed-cell edges.
  if (ctx.Fixed && !HasFilterEdit(ctx.RealCol, ARow) && !FFlat) {
    const TGridOptions o = Options();
    if (FLook == glVDX || FLook == glXP) {
      TRect e = r;
      e.Bottom += 1;
      if (o.Contains(goFixedHorzLine)) {
        Canvas->Pen()->SetColor(HalfBrightColor(FixedColor()));
        Line(Canvas, e.Left, e.Bottom - 1, e.Right, e.Bottom - 1);
        Canvas->Pen()->SetColor(clWhite);
        Canvas->MoveTo(e.Right - 2, e.Top + 1);
        Canvas->LineTo(e.Left + 1, e.Top + 1);
        Canvas->LineTo(e.Left + 1, e.Bottom - 1);
      }
    } else if (FLook == glClassic) {
      RECT e{r.Left + 1, r.Top + 1, r.Right, r.Bottom + 1};
      ::DrawEdge(Canvas->Handle(), &e, BDR_RAISEDINNER, BF_LEFT | BF_TOP);
      ::DrawEdge(Canvas->Handle(), &e, BDR_RAISEDINNER | BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM);
      Canvas->Pen()->SetColor(clBlack);
      Canvas->MoveTo(r.Right - 1, r.Top);
      Canvas->LineTo(r.Right - 1, r.Bottom - 1);
      Canvas->LineTo(r.Left - 1, r.Bottom - 1);
    } else if (FLook == glSoft) {
      if (Ctl3D()) {
        if (o.Contains(goFixedHorzLine)) {
          Canvas->Pen()->SetColor(HalfBrightColor(FixedColor()));
          Line(Canvas, r.Left, r.Bottom, r.Right + 1, r.Bottom);
          Canvas->Pen()->SetColor(clWhite);
          Canvas->MoveTo(r.Right, r.Top + 1);
          Canvas->LineTo(r.Left + 1, r.Top + 1);
          Canvas->LineTo(r.Left + 1, r.Bottom);
        }
        if (o.Contains(goFixedVertLine)) {
          Canvas->Pen()->SetColor(HalfBrightColor(FixedColor()));
          Line(Canvas, r.Right - 2 + 1, r.Top, r.Right - 2 + 1, r.Bottom + 1);
          Canvas->Pen()->SetColor(clWhite);
          Line(Canvas, r.Right - 1 + 1, r.Top, r.Right - 1 + 1, r.Bottom + 1);
        }
      } else {
        Canvas->Pen()->SetColor(clBlack);
        if (o.Contains(goFixedHorzLine)) {
          Line(Canvas, r.Left - 1, r.Top - 1, r.Right + 1, r.Top - 1);
          Line(Canvas, r.Left - 1, r.Bottom, r.Right + 1, r.Bottom);
        }
        if (o.Contains(goFixedVertLine)) {
          Line(Canvas, r.Left - 1, r.Top - 1, r.Left - 1, r.Bottom + 1);
          Line(Canvas, r.Right, r.Top - 1, r.Right, r.Bottom + 1);
        }
      }
    }
  }

  // 15. Right fixed columns.
  if (FFixedRightCols > 0 && ctx.RealCol >= TotalColCount() - FFixedRightCols && FLook != glClassic && !Ctl3D()) {
    Canvas->Pen()->SetColor(FFlat ? clGray : clBlack);
    Line(Canvas, r.Left - 1, r.Top - 1, r.Right + 1, r.Top - 1);
    Line(Canvas, r.Left - 1, r.Bottom, r.Right + 1, r.Bottom);
    Line(Canvas, r.Left - 1, r.Top - 1, r.Left - 1, r.Bottom + 1);
    Line(Canvas, r.Right, r.Top - 1, r.Right, r.Bottom + 1);
  }

  // 16. Tree lines.
  if (FNumNodes > 0) PaintTreeLines(ctx);

  // 17. The graphic.
  if (ctx.Graphic != nullptr && !beforeText) {
    if (ctx.Fixed) r.Top += 1;
    DrawCellGraphic(ctx, r);
  }

  // 18. The drawing events.
  if (OnDrawCell) {
    const int g = GridLineWidth();
    TRect eventRect(r.Left, r.Top, r.Right - g, r.Bottom - g);
    OnDrawCell(this, ctx.RealCol, ARow, eventRect, ctx.State);
  }
  if (OnCustomCellDraw) OnCustomCellDraw(this, Canvas, ctx.RealCol, ARow, ctx.State, r, false);

  // 19. Focus rectangle.
  int bc = 0, br = 0;
  ResolveBaseCell(ctx.RealCol, ARow, bc, br);
  if (!FHideFocusRect && bc == RealColIndex(Col()) && br == Row() && Focused() && Col() >= RawFixedCols() &&
      Row() >= RawFixedRows()) {
    const int g = GridLineWidth() - 1;
    TRect f(r.Left - g, r.Top - g, r.Right + g - 1, r.Bottom + g - 1);
    Canvas->Font()->SetColor(clBlack);
    Canvas->Brush()->SetColor(clWhite);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->TextOut(f.Left, f.Top, QString());
    Canvas->DrawFocusRect(f);
  }
}

int TKitStringGrid::PaintCellScrollBar(TCellPaintContext& Ctx, TRect& R) {
  const TPoint base = BaseCell(Ctx.RealCol, Ctx.Row);
  const TCellGraphic* g = GetCellGraphic(base.X, base.Y);
  if (g == nullptr) return 0;
  // The bar runs from 0 to the range; a page only when it is below the
  // range. The position stays where a bar can put its thumb.
  const int range = std::max(0, g->CellErrFrom());
  const int page = g->CellAngle() > 0 && g->CellAngle() < range ? g->CellAngle() : 0;
  const int lastPosition = page > 0 ? range - page + 1 : range;
  int position = std::clamp(g->CellIndex(), 0, lastPosition);
  int width = GetSystemMetrics(SM_CXVSCROLL);
  if (FPaintScrollBar != nullptr) {
    FPaintScrollBar->SetPageSize(0);
    FPaintScrollBar->SetParams(position, 0, range);
    FPaintScrollBar->SetPageSize(page);
    position = FPaintScrollBar->Position();
    width = FPaintScrollBar->Width();
  }
  R.Right -= width;
  // The bar drawn as a window's vertical bar of the cell's height.
  TWindowScrollBars bar(nullptr);
  SCROLLINFO info{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, range, UINT(page), position, 0};
  bar.SetInfo(SB_VERT, info);
  bar.Show(SB_VERT, true);
  bar.CalcClientArea(RECT{R.Right, R.Top, R.Right + width, R.Bottom});
  HDC dc = Ctx.Canvas->Handle();
  const int saved = ::SaveDC(dc);
  bar.Paint(dc);
  ::RestoreDC(dc, saved);
  return position;
}

void TKitStringGrid::DrawCellBorders(TCanvas* Canvas, int ACol, int ARow, const TRect& R, bool Fixed) {
  if (!OnGetCellBorder && !OnGetCellBorderProp && !FGrouping->HeaderUnderline() && !FGrouping->SummaryLine())
    return;
  TPen pen;
  pen.Assign(Canvas->Pen());
  TCellBorders borders;
  GetCellBorder(DisplToRealCol(ACol), ARow, Canvas->Pen(), borders);
  if (borders.Empty()) {
    Canvas->Pen()->Assign(&pen);
    return;
  }
  TPen left, top, right, bottom;
  left.Assign(Canvas->Pen());
  top.Assign(Canvas->Pen());
  right.Assign(Canvas->Pen());
  bottom.Assign(Canvas->Pen());
  if (OnGetCellBorderProp) OnGetCellBorderProp(this, ARow, DisplToRealCol(ACol), &left, &top, &right, &bottom);
  const int half = (Canvas->Pen()->Width() + 1) / 2;
  const int h = Options().Contains(goVertLine) ? half : 0;
  const int v = Options().Contains(goHorzLine) ? half : 0;
  const int l = Fixed ? 0 : -1;
  const int x0 = R.Left + l + h;
  const int yb = R.Bottom + l - v;
  const int xr = R.Right - h - 1;
  if (borders.Contains(cbLeft)) {
    Canvas->Pen()->Assign(&left);
    Line(Canvas, std::max(0, x0), R.Top + l, std::max(0, x0), yb);
  }
  if (borders.Contains(cbRight)) {
    Canvas->Pen()->Assign(&right);
    Line(Canvas, xr, R.Top + l, xr, yb);
  }
  if (borders.Contains(cbTop)) {
    Canvas->Pen()->Assign(&top);
    const int g = GridLineWidth();
    const int y = g == 0 ? R.Top + v + (Fixed ? 1 : 0) + 1 : std::max(0, R.Top + v + (Fixed ? 1 : 0) - g);
    Line(Canvas, x0 - 1, y, xr, y);
  }
  if (borders.Contains(cbBottom)) {
    Canvas->Pen()->Assign(&bottom);
    Line(Canvas, x0, yb, R.Right - h, yb);
  }
  Canvas->Pen()->Assign(&pen);
}

// ---------------------------------------------------------------------------
// The paint cycle

void TKitStringGrid::Paint() {
  FStyleBackground = StyledClient();
  Canvas()->Pen()->SetStyle(psSolid);
  Canvas()->Brush()->SetStyle(bsSolid);
  TBaseGrid::Paint();
  if (EditorMode()) {
    const TRect r = CellRect(Col(), Row());
    const bool lines = Options().Contains(goHorzLine) || Options().Contains(goVertLine);
    Canvas()->Pen()->SetColor(GridLineWidth() == 0 || !lines ? Color() : GridLineColor());
    Canvas()->Brush()->SetStyle(bsClear);
    Canvas()->Rectangle(r.Left - 1, r.Top - 1, r.Right, r.Bottom);
    Canvas()->Brush()->SetStyle(bsSolid);
  }
  Canvas()->Pen()->SetColor(clBlack);
  if ((FBackGround->Bitmap() != nullptr && !FBackGround->Bitmap()->Empty()) || FBackGround->ColorTo() != clNone)
    PaintOuterBackground();
  PaintDesignInfo();
  if (OnPainted) OnPainted(this);
}

void TKitStringGrid::PaintOuterBackground() {
  TCanvas* canvas = Canvas();
  const bool lastRowVisible = TopRow() + VisibleRowCount() >= RowCount();
  const bool lastColVisible = LeftCol() + VisibleColCount() >= ColCount();
  if (!lastRowVisible && !lastColVisible) return;
  const TBackGroundDisplay display = FBackGround->Display();
  const bool gradient = display == bdGradientHorz || display == bdGradientVert;
  if (gradient && FBackGround->ColorTo() == clNone) return;
  const int g = GridLineWidth();
  int clientW = ClientWidth();
  int clientH = ClientHeight();
  if (FFloatingFooter->Visible()) clientH -= RowHeights(RowCount() - 1);
  HRGN region = ::CreateRectRgn(0, 0, 0, 0);
  if (lastColVisible && ColCount() > 0) {
    const TRect last = CellRect(ColCount() - 1, std::max(TopRow(), 0));
    if (last.Right + g < clientW) {
      HRGN strip = ::CreateRectRgn(last.Right + g, 0, clientW, clientH);
      ::CombineRgn(region, region, strip, RGN_OR);
      ::DeleteObject(strip);
    }
  }
  if (lastRowVisible && RowCount() > 0) {
    const TRect last = CellRect(std::max(LeftCol(), 0), RowCount() - 1);
    if (last.Bottom + g < clientH) {
      HRGN strip = ::CreateRectRgn(0, last.Bottom + g, clientW, clientH);
      ::CombineRgn(region, region, strip, RGN_OR);
      ::DeleteObject(strip);
    }
  }
  const int saved = ::SaveDC(canvas->Handle());
  ::SelectClipRgn(canvas->Handle(), region);
  const TRect client(0, 0, clientW, clientH);
  if (FBackGround->Bitmap() == nullptr || FBackGround->Bitmap()->Empty()) {
    if (gradient) FillGradientRect(canvas, FBackGround->Color(), FBackGround->ColorTo(), display == bdGradientHorz, client, 128);
  } else if (display == bdFixed) {
    canvas->Draw(FBackGround->Left(), FBackGround->Top(), FBackGround->Bitmap());
  } else if (display == bdTile && FBackGround->Cells() != bcFixed) {
    TBitmap* bmp = FBackGround->Bitmap();
    int x0 = FXYOffset.X, y0 = FXYOffset.Y;
    if (FBackGround->Cells() == bcNormal) {
      x0 += FixedColsWidth();
      y0 += FixedRowsHeight();
    }
    for (int y = y0 - 1; y < clientH; y += std::max(bmp->Height(), 1))
      for (int x = x0 - 1; x < clientW; x += std::max(bmp->Width(), 1)) canvas->Draw(x, y, bmp);
  }
  ::RestoreDC(canvas->Handle(), saved);
  ::DeleteObject(region);
}

void TKitStringGrid::DrawColSizingLine(int X) {
  TPen saved;
  saved.Assign(Canvas()->Pen());
  // XOR with white inverts the pixels (black would leave them as they are),
  // so the same line drawn again takes itself away.
  Canvas()->Pen()->SetColor(clWhite);
  Canvas()->Pen()->SetStyle(psDot);
  Canvas()->Pen()->SetMode(pmXor);
  Canvas()->Pen()->SetWidth(1);
  Canvas()->MoveTo(X, 0);
  Canvas()->LineTo(X, std::max(Height(), GridHeight()));
  Canvas()->Pen()->Assign(&saved);
}

void TKitStringGrid::DrawRowSizingLine(int Y) {
  TPen saved;
  saved.Assign(Canvas()->Pen());
  // XOR with white inverts the pixels (black would leave them as they are),
  // so the same line drawn again takes itself away.
  Canvas()->Pen()->SetColor(clWhite);
  Canvas()->Pen()->SetStyle(psDot);
  Canvas()->Pen()->SetMode(pmXor);
  Canvas()->Pen()->SetWidth(1);
  Canvas()->MoveTo(0, Y);
  Canvas()->LineTo(std::max(Width(), GridWidth()), Y);
  Canvas()->Pen()->Assign(&saved);
}

// ---------------------------------------------------------------------------
// The focus glow

void TKitStringGrid::ShowFocusWindow(const TRect& ARect) {
  if (FFocusWindow == nullptr) return;
  const int w = ARect.Width() + 9;
  const int h = ARect.Height() + 9;
  FFocusWindow->SetVisible(false);
  FFocusWindow->SetBounds(FFocusWindow->Left(), FFocusWindow->Top(), w, h);
  // The mask: a blurred rounded outline; the colour: light blue; merged
  // into premultiplied pixels shown at opacity 230.
  TBitmap shadow;
  DrawBlurredShadow(&shadow, w, h, 3, 5, 4);
  TBitmap colour;
  colour.SetPixelFormat(pf24bit);
  colour.SetSize(w, h);
  colour.Canvas()->Brush()->SetColor(0xFDD397);
  colour.Canvas()->Pen()->SetColor(0xFDD397);
  colour.Canvas()->FillRect(TRect(0, 0, w, h));
  TGridAlphaMask mask;
  mask.MergeMask(&shadow, &colour, clNone);
  mask.SetOpacity(230);
  if (mask.Height() == 0) return;
  FFocusWindow->HandleNeeded();
  FFocusWindow->SetGlow(mask.ToImage(), mask.Opacity());
  // The window is the ring between its outline and the cell.
  if (QWidget* widget = FFocusWindow->WidgetIfAllocated())
    widget->setMask(QRegion(0, 0, w, h).xored(QRegion(4, 4, ARect.Width(), ARect.Height())));
  const TPoint at = ClientToScreen(TPoint(ARect.Left, ARect.Top));
  FFocusWindow->SetBounds(at.X - 4, at.Y - 4, w, h);
  FFocusWindow->SetVisible(true);
  TKitGridUnit::SetFocusFrameGrid(this);
}

void TKitStringGrid::HideFocusWindow() {
  if (TKitGridUnit::FocusFrameGrid() == this) TKitGridUnit::SetFocusFrameGrid(nullptr);
  if (FFocusWindow != nullptr && FFocusWindow->HandleAllocated()) FFocusWindow->SetVisible(false);
}

void TKitStringGrid::MoveFocusWindow() {
  if (FFocusWindow == nullptr) return;
  const bool inView = Col() >= LeftCol() && Col() <= LeftCol() + VisibleColCount() - 1 && Row() >= TopRow() &&
                      Row() <= TopRow() + VisibleRowCount() - 1;
  if (!inView) {
    FFocusWindow->SetVisible(false);
    return;
  }
  const TRect r = CellRect(Col(), Row());
  const TPoint at = ClientToScreen(TPoint(r.Left, r.Top));
  FFocusWindow->SetBounds(at.X - 4, at.Y - 4, r.Width() + 9, r.Height() + 9);
}
