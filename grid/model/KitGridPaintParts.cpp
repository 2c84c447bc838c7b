// Branches of the cell painter that only some grids take: hovered and
// pressed header cells, the row indicator, the list-view header, tree lines
// of node rows, the search highlight, the filter glyph and the filter-edit
// row, background pictures and the colours of a disjunct selection; and the
// grid's built-in bitmaps (the filter glyph, the metro check and radio
// glyphs).

#include <algorithm>

#include "foundation/KitMiniHTMLText.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridDraw.h"
#include "platform/win32/Gdi.h"
#include "platform/win32/Theme.h"
#include "platform/win32/WinUser.h"

namespace {

void Line(TCanvas* Canvas, int X1, int Y1, int X2, int Y2) {
  Canvas->MoveTo(X1, Y1);
  Canvas->LineTo(X2, Y2);
}

// One of the fixed-cell colour sets ("Hover", "Down") as a gradient with its
// border drawn as a frame.
void HeaderSetGradient(TKitStringGrid* Grid, TCanvas* Canvas, const TRect& R, const QString& Set) {
  auto colour = [&](const char* Part) { return Grid->VDXGradientColor(QStringLiteral("VDXGradient") + Set + QLatin1String(Part)); };
  FillMirrorGradientRect(Canvas, R, colour("From"), true, false, colour("Border"), true, colour("MirrorTo"),
                         colour("MirrorFrom"), colour("To"));
}

}  // namespace

// ---------------------------------------------------------------------------
// Headers

bool TKitStringGrid::IsFixedHoverCell(int ACol, int ARow) {
  bool result = false;
  const bool inFixedCol = ACol < RawFixedCols();
  const bool inFixedRow = ARow < RawFixedRows();
  switch (FHoverFixedCells) {
    case hfNone: return false;
    case hfAll: result = inFixedCol || inFixedRow; break;
    case hfFixedColumns: result = inFixedCol; break;
    case hfFixedRows: result = inFixedRow; break;
  }
  if (OnIsFixedHoverCell) OnIsFixedHoverCell(this, ARow, ACol, result);
  return result;
}

bool TKitStringGrid::CanShowFixedDropDown(int ACol) {
  bool result = true;
  if (OnCanShowFixedDropDown) OnCanShowFixedDropDown(this, ACol, result);
  return result;
}

bool TKitStringGrid::PaintHoveredHeader(TCellPaintContext& Ctx) {
  if (FHoverFixedCells == hfNone || FDesignTime) return false;
  const int c = Ctx.DisplCol;
  const bool moving = GridState() == gsColMoving;
  const bool hovered = moving ? FMovedColumn == c : (FHoverFixedCell.X == c && FHoverFixedCell.Y == Ctx.Row);
  if (!hovered || !IsFixedHoverCell(c, Ctx.Row)) return false;
  TCanvas* canvas = Ctx.Canvas;
  TRect& r = Ctx.Rect;
  r.Bottom += 1;
  const bool held = FMouseDown || moving;
  const bool dropDown = FControlLook->FixedDropDownButton() && CanShowFixedDropDown(c);
  const QString hover = QStringLiteral("Hover");
  const QString down = QStringLiteral("Down");
  if (held) {
    if (dropDown) {
      const TRect left(r.Left, r.Top, r.Right - 16, r.Bottom);
      const TRect right(r.Right - 16, r.Top, r.Right, r.Bottom);
      HeaderSetGradient(this, canvas, left, FFixedDropDownPressed ? hover : down);
      HeaderSetGradient(this, canvas, right, FFixedDropDownPressed ? down : hover);
    } else {
      HeaderSetGradient(this, canvas, r, down);
    }
  } else {
    HeaderSetGradient(this, canvas, r, hover);
  }
  if (dropDown) {
    const TColor separator = VDXGradientColor(held ? QStringLiteral("VDXGradientDownBorder")
                                                   : QStringLiteral("VDXGradientHoverBorder"));
    if (separator != clNone) {
      canvas->Pen()->SetColor(separator);
      Line(canvas, r.Right - 16, r.Top, r.Right - 16, r.Bottom);
    }
    DrawDropDownArrow(canvas, r.Right - 8, r.Top + 8, clBlack);
    r.Right -= 16;
  }
  return true;
}

int TKitStringGrid::PaintRowIndicator(TCellPaintContext& Ctx) {
  if (Ctx.RealCol != 0 || Ctx.Row != Row() || RawFixedCols() == 0 || FRowIndicator->Empty()) return 0;
  if (FFixedRowAlways && RawFixedRows() >= RowCount()) return 0;
  TRect& r = Ctx.Rect;
  TBitmap* bmp = FRowIndicator.get();
  int y = r.Top;
  if (FVAlignment == vtaCenter)
    y = r.Top + (r.Height() - bmp->Height()) / 2;
  else if (FVAlignment == vtaBottom)
    y = r.Bottom - bmp->Height();
  bmp->SetTransparentMode(tmAuto);
  bmp->SetTransparent(true);
  Ctx.Canvas->Draw(r.Left + 2, y, bmp);
  r.Left += bmp->Width();
  return bmp->Width();
}

void TKitStringGrid::PaintListViewHeader(TCellPaintContext& Ctx) {
  TCanvas* canvas = Ctx.Canvas;
  TRect& r = Ctx.Rect;
  if (IsThemeActive() && HandleAllocated()) {
    r.Bottom += 1;
    if (HTHEME theme = ::OpenThemeData(Handle(), u"header")) {
      POINT pt{0, 0};
      ::GetCursorPos(&pt);
      ::ScreenToClient(Handle(), &pt);
      const TRect cell = CellRect(Ctx.DisplCol, Ctx.Row);
      const bool inside = pt.x >= cell.Left && pt.x < cell.Right && pt.y >= cell.Top && pt.y < cell.Bottom;
      const RECT rc{r.Left, r.Top, r.Right, r.Bottom};
      if (inside)
        ::DrawThemeBackground(theme, canvas->Handle(), 1, FMouseDown ? 3 : 2, &rc, nullptr);
      else
        ::DrawThemeBackground(theme, canvas->Handle(), 3, 1, &rc, nullptr);
      ::CloseThemeData(theme);
    }
    canvas->Pen()->SetColor(clWhite);
    Line(canvas, r.Left, r.Top, r.Right, r.Top);
    return;
  }
  canvas->Brush()->SetColor(clBtnFace);
  canvas->Pen()->SetColor(clWhite);
  canvas->Rectangle(r);
}

// ---------------------------------------------------------------------------
// Tree lines

void TKitStringGrid::PaintTreeLines(TCellPaintContext& Ctx) {
  if (!HasNodes() || Ctx.RealCol != FCellNode->NodeColumn() || Ctx.Row < RawFixedRows() || !FCellNode->ShowTree())
    return;
  TCanvas* canvas = Ctx.Canvas;
  const TRect& r = Ctx.Rect;
  const int row = Ctx.Row;
  canvas->Pen()->SetColor(FCellNode->TreeColor());
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetStyle(psSolid);
  const int step = FCellNode->NodeIndent();
  const int indent = GetNodeIndent(row);
  const int level = GetRowLevel(row);
  const int mid = r.Top + (r.Bottom - r.Top) / 2;
  const int x0 = r.Left + indent - step / 2 + 2;
  if (level > 0) Line(canvas, x0, mid, FCellNode->ShowTreeFull() ? r.Right : r.Left + indent + 4, mid);
  if (indent > 0) {
    const int type = GetNodeSpanType(row);
    if (type == 1) Line(canvas, x0, r.Top, x0, mid);
    else if (type == 2) Line(canvas, x0, r.Top, x0, r.Bottom + 4);
  }
  const bool lastRow = row >= RowCount() - 1;
  const int nextLevel = lastRow ? 0 : GetRowLevel(row + 1);
  for (int i = 1; i <= level; ++i) {
    const int x = x0 - step * i;
    if (x <= r.Left) break;
    Line(canvas, x, r.Top, x, mid);
    if (!lastRow) {
      if (nextLevel < level - i && i < level)
        Line(canvas, x, mid, x + step, mid);
      else
        Line(canvas, x, mid, x, r.Bottom + 4);
    } else if (i < level) {
      Line(canvas, x, mid, x + step, mid);
    }
  }
  canvas->Pen()->SetColor(clBlack);
  canvas->Pen()->SetStyle(psSolid);
}

// ---------------------------------------------------------------------------
// Text step branches

QString TKitStringGrid::SearchHighlighted(const TCellPaintContext& Ctx, const QString& Text) {
  if (!FSearchFooter->Visible() || FSearchPanel == nullptr) return Text;
  if (!FSearchPanel->HighLightDown() && !FSearchFooter->AlwaysHighLight()) return Text;
  const QString& search = FSearchPanel->EditText();
  if (search.isEmpty()) return Text;
  if (Ctx.Row < RawFixedRows() || Ctx.Row > RowCount() - FFixedFooters - 1) return Text;
  const int column = FSearchFooter->SearchColumn();
  const bool inColumn = column == -1 ? Ctx.RealCol >= RawFixedCols() &&
                                           Ctx.RealCol <= ColCount() + NumHiddenColumns() - FFixedRightCols - 1
                                     : Ctx.RealCol == column;
  if (!inColumn) return Text;
  TMarkTextOptions options;
  if (FSearchFooter->HighLight() == hFullCell) options.Include(mtoWholeText);
  if (FSearchPanel->MatchCase()) options.Include(mtoCaseSensitive);
  return MarkTextInHtml(Text, search, QStringLiteral("hi"), options);
}

void TKitStringGrid::PaintFilterGlyph(TCellPaintContext& Ctx, const TRect& R) {
  TBitmap* glyph = FFilter->HasFilter(Ctx.RealCol) ? FFilterDropDown->GlyphActive() : FFilterDropDown->Glyph();
  TCanvas* canvas = Ctx.Canvas;
  if (glyph == nullptr || glyph->Empty()) {
    static TBitmap builtIn;
    if (builtIn.Empty()) LoadGridBitmap(QStringLiteral("KSGFILT"), &builtIn);
    DrawScaledTransparentBitmap(canvas, &builtIn, FixedColor(), 1.0,
                                TRect(R.Right - 16, R.Top, R.Right, R.Top + builtIn.Height()));
    return;
  }
  TBitmap shown;
  shown.Assign(glyph);
  if (shown.PixelFormat() == pf32bit) shown.SetPixelFormat(pf24bit);
  shown.SetTransparentMode(tmAuto);
  shown.SetTransparent(true);
  canvas->Draw(R.Right - shown.Width(), R.Top, &shown);
}

void TKitStringGrid::ResetDisjunctColours(TCellPaintContext& Ctx, TColor& UrlColor) {
  if (Ctx.Fixed || FMouseDown) return;
  const bool rowOut = FMouseActions->DisjunctRowSelect() && !GetRowSelect(Ctx.SelRow);
  const bool colOut = FMouseActions->DisjunctColSelect() && !GetColSelect(Ctx.DisplCol);
  if (!rowOut && !colOut) return;
  TCanvas* canvas = Ctx.Canvas;
  UrlColor = FURLColor;
  canvas->Brush()->SetColor(Color());
  canvas->Font()->SetColor(Font()->Color());
  const double scale = GetDPIScale();
  canvas->Font()->SetHeight(scale != 0 ? int(Round(Font()->Height() / scale)) : Font()->Height());
  GetCellColor(Ctx.RealCol, Ctx.Row, Ctx.State, canvas->Brush(), canvas->Font());
  if (FZoomFactor != 0) {
    const int size = canvas->Font()->Size() + FZoomFactor;
    canvas->Font()->SetSize(size <= 0 ? 1 : size);
  }
}

void TKitStringGrid::PaintFilterEditType(TCellPaintContext& Ctx, TRect& R, int& Indent, QString& Placeholder) {
  const TFilterType type = FFilter->HasFilterType(Ctx.RealCol);
  const int index = int(type);
  if (FFilterImageList != nullptr && index >= 0 && index < FFilterImageList->Count())
    FFilterImageList->Draw(Ctx.Canvas, R.Left, R.Top, index);
  const int room = int(Round(18 * GetDPIScale()));
  R.Left += room;
  Indent += room;
  if (index >= 0 && index < FFilterEdit->TypeNames()->Count()) Placeholder = FFilterEdit->TypeNames()->Strings(index);
}

// ---------------------------------------------------------------------------
// Background pictures

void TKitStringGrid::PaintCellBackgroundPicture(TCanvas* Canvas, const TRect& R) {
  TBitmap* bmp = FBackGround->Bitmap();
  if (bmp == nullptr || bmp->Empty()) return;
  const TRect picture(FBackGround->Left(), FBackGround->Top(), FBackGround->Left() + bmp->Width(),
                      FBackGround->Top() + bmp->Height());
  const TRect part(std::max(R.Left, picture.Left), std::max(R.Top, picture.Top), std::min(R.Right, picture.Right),
                   std::min(R.Bottom, picture.Bottom));
  if (part.Right <= part.Left || part.Bottom <= part.Top) return;
  const TRect source(part.Left - picture.Left, part.Top - picture.Top, part.Right - picture.Left,
                     part.Bottom - picture.Top);
  Canvas->CopyRect(part, bmp->Canvas(), source);
}

void TKitStringGrid::TileCellBackgroundPicture(TCanvas* Canvas, const TRect& R, int RealCol, int ARow) {
  TBitmap* bmp = FBackGround->Bitmap();
  if (bmp == nullptr || bmp->Empty()) return;
  const int w = bmp->Width();
  const int h = bmp->Height();
  const bool normal = FBackGround->Cells() == bcNormal;
  // The phase: how far into the tiling the cell starts, counted from the
  // first covered column and row.
  long long px = 0, py = 0;
  for (int c = normal ? RawFixedCols() : 0; c < RealToDisplCol(RealCol); ++c) px += ColWidths(c);
  for (int r = normal ? RawFixedRows() : 0; r < ARow; ++r) py += RowHeights(r);
  const int phaseX = int(px % w);
  const int phaseY = int(py % h);
  // Each copy clipped to the rectangle by copying only its overlapping part.
  TCanvas* source = bmp->Canvas();
  for (int y = R.Top - 1 - phaseY; y < R.Bottom; y += h)
    for (int x = R.Left - 1 - phaseX; x < R.Right; x += w) {
      const TRect part(std::max(x, R.Left), std::max(y, R.Top), std::min(x + w, R.Right), std::min(y + h, R.Bottom));
      if (part.Right <= part.Left || part.Bottom <= part.Top) continue;
      Canvas->CopyRect(part, source, TRect(part.Left - x, part.Top - y, part.Right - x, part.Bottom - y));
    }
}

// ---------------------------------------------------------------------------
// Built-in bitmaps

bool TKitStringGrid::LoadGridBitmap(const QString& Name, TBitmap* Bitmap) {
  if (Bitmap == nullptr) return false;
  const QString name = Name.toLower();
  // Drawn on a fuchsia ground (the transparent colour: the bottom-left and
  // top-left pixels stay fuchsia).
  auto start = [Bitmap](int W, int H) {
    Bitmap->SetPixelFormat(pf24bit);
    Bitmap->SetSize(W, H);
    TCanvas* c = Bitmap->Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(TRect(0, 0, W, H));
    return c;
  };
  if (name == u"ksgfilt") {
    // A funnel: a wide top narrowing to a stem.
    TCanvas* c = start(16, 16);
    c->Pen()->SetColor(0x404040);
    c->Brush()->SetColor(0x404040);
    c->Polygon({TPoint(3, 4), TPoint(12, 4), TPoint(9, 8), TPoint(9, 12), TPoint(6, 13), TPoint(6, 8)});
    return true;
  }
  // The search panel's glyphs: find next (down) and previous (up) arrows,
  // the close cross (normal, hot, pressed) and the highlighter; the names
  // ending in "d" after the arrow or highlighter are their disabled looks.
  if (name == u"ksgardown" || name == u"ksgardownd" || name == u"ksgarup" || name == u"ksgarupd") {
    const bool down = name.startsWith(QLatin1String("ksgardown"));
    const TColor ink = name.endsWith(u'd') ? TColor(0x9A9A9A) : TColor(0x8C4A10);
    TCanvas* c = start(16, 16);
    c->Pen()->SetColor(ink);
    c->Brush()->SetColor(ink);
    if (down) {
      c->FillRect(TRect(6, 2, 10, 8));
      c->Polygon({TPoint(2, 8), TPoint(13, 8), TPoint(8, 13), TPoint(7, 13)});
    } else {
      c->FillRect(TRect(6, 8, 10, 14));
      c->Polygon({TPoint(2, 7), TPoint(13, 7), TPoint(8, 2), TPoint(7, 2)});
    }
    return true;
  }
  if (name == u"ksgclose" || name == u"ksgcloseh" || name == u"ksgclosed") {
    TCanvas* c = start(14, 14);
    TColor ink = 0x505050;
    if (name != u"ksgclose") {
      // Hot and pressed: a white cross on a red square.
      const TColor ground = name == u"ksgcloseh" ? TColor(0x3C3CE0) : TColor(0x1E1EA0);
      c->Brush()->SetColor(ground);
      c->Pen()->SetColor(ground);
      c->Rectangle(TRect(1, 1, 13, 13));
      ink = clWhite;
    }
    c->Pen()->SetColor(ink);
    c->Pen()->SetWidth(2);
    c->MoveTo(4, 4);
    c->LineTo(10, 10);
    c->MoveTo(10, 4);
    c->LineTo(4, 10);
    c->Pen()->SetWidth(1);
    return true;
  }
  if (name == u"ksghi" || name == u"ksghid") {
    // A marker pen's stroke over a line of text.
    const bool off = name == u"ksghid";
    TCanvas* c = start(16, 16);
    c->Brush()->SetColor(off ? TColor(0xD8D8D8) : TColor(0x40F0FF));
    c->Pen()->SetColor(off ? TColor(0xA0A0A0) : TColor(0x2090B0));
    c->Rectangle(TRect(1, 5, 15, 12));
    c->Pen()->SetColor(off ? TColor(0x9A9A9A) : TColor(0x404040));
    c->MoveTo(3, 8);
    c->LineTo(13, 8);
    c->MoveTo(3, 10);
    c->LineTo(10, 10);
    return true;
  }
  const bool check = name == u"metrocheckon" || name == u"metrocheckoff";
  const bool radio = name == u"metroradioon" || name == u"metroradiooff";
  if (!check && !radio) return false;
  const bool on = name.endsWith(QLatin1String("on"));
  // Flat glyphs: a thin dark outline on white, the "on" state filled in the
  // metro accent with a white tick or dot.
  constexpr TColor kOutline = 0x707070;
  constexpr TColor kAccent = 0xD77800;  // BGR of the metro blue
  TCanvas* c = start(16, 16);
  if (check) {
    c->Pen()->SetColor(on ? kAccent : kOutline);
    c->Brush()->SetColor(on ? kAccent : clWhite);
    c->Rectangle(TRect(1, 1, 15, 15));
    if (on) {
      c->Pen()->SetColor(clWhite);
      c->Pen()->SetWidth(2);
      c->MoveTo(4, 8);
      c->LineTo(7, 11);
      c->LineTo(12, 5);
      c->Pen()->SetWidth(1);
    }
  } else {
    c->Pen()->SetColor(on ? kAccent : kOutline);
    c->Brush()->SetColor(clWhite);
    c->Ellipse(TRect(1, 1, 15, 15));
    if (on) {
      c->Pen()->SetColor(kAccent);
      c->Brush()->SetColor(kAccent);
      c->Ellipse(TRect(4, 4, 12, 12));
    }
  }
  return true;
}
