// TKitStringGrid printing: the printed cells (background, text, graphics,
// borders), their size on paper, the header and footer with time, date, page
// number and title, and the measuring helpers shared with the screen.

#include <QFile>
#include <QRegularExpression>
#include <cmath>
#include <numbers>

#include "foundation/KitMiniHTMLEngine.h"
#include "grid/io/KitGridPrintEngine.h"
#include "grid/model/KitGridDraw.h"
#include "grid/model/KitGridLook.h"
#include "grid/model/KitGridNode.h"
#include "grid/model/KitGridUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Printers.h"
#include "platform/vcl/RichText.h"
#include "platform/win32/Gdi.h"
#include "platform/win32/Printing.h"

namespace {

int RoundI(double v) { return int(std::nearbyint(v)); }

UINT DrawTextW(HDC h, const QString& t, RECT* rc, UINT flags) {
  return UINT(::DrawTextW(h, reinterpret_cast<LPCWSTR>(t.utf16()), int(t.size()), rc, flags));
}

// The text's lines as the grid breaks them.
QStringList Lines(const QString& Text, bool Break) {
  if (!Break) {
    QString rest = Text, line;
    ExtractFirstLine(rest, false, line);
    return {line};
  }
  QStringList out;
  QString rest = Text;
  while (true) {
    QString line;
    const bool more = rest.contains(u'\r') || rest.contains(u'\n');
    if (!more) {
      out << rest;
      break;
    }
    const int i = int(rest.indexOf(QRegularExpression(QStringLiteral("\r\n|\r|\n"))));
    out << rest.left(i);
    rest = rest.mid(i + (rest.mid(i, 2) == QStringLiteral("\r\n") ? 2 : 1));
  }
  return out;
}

}  // namespace

// ---------------------------------------------------------------------------
// Helpers shared with the screen

QString TKitStringGrid::JoinWithBlank(const QString& a, const QString& b) {
  if (a.isEmpty()) return b;
  if (b.isEmpty()) return a;
  return a + u' ' + b;
}

void TKitStringGrid::AlignAngledTextRect(TRect& Rect, TAlignment HAlign, TVAlignment VAlign, int A, int B, int C, int D,
                                         int Angle) {
  const int Q = Angle <= 90 ? 1 : Angle <= 180 ? 2 : Angle > 270 ? 4 : 3;
  const int L = Rect.Left, T = Rect.Top, R = Rect.Right, Bm = Rect.Bottom;
  int left = L, top = T, g = 0;
  switch (Q) {
    case 1:
      left = HAlign == taLeftJustify ? L : HAlign == taRightJustify ? R - D - C : L + (R - L - C - D) / 2;
      top = VAlign == vtaTop ? T + B : Bm - A;
      g = B;
      break;
    case 2:
      left = HAlign == taLeftJustify ? L + D : HAlign == taRightJustify ? R - C : R - (C + R - L - D) / 2;
      top = VAlign == vtaTop ? T + A + B : Bm;
      g = A + B;
      break;
    case 3:
      left = HAlign == taLeftJustify ? L + C + D : HAlign == taRightJustify ? R : R - (R - L - C - D) / 2;
      top = VAlign == vtaTop ? T + A : Bm - B;
      g = A;
      break;
    default:
      left = HAlign == taLeftJustify ? L + C : HAlign == taRightJustify ? R - D : L + (C + R - L - D) / 2;
      top = VAlign == vtaTop ? T : Bm - A - B;
      g = 0;
      break;
  }
  if (VAlign == vtaCenter) top = T + g - (B + T + A - Bm) / 2;
  Rect.Left = left;
  Rect.Top = top;
}

int TKitStringGrid::GetPrinterOrientationCapability() {
  return DeviceCapabilitiesW(nullptr, nullptr, DC_ORIENTATION, nullptr, nullptr);
}

int TKitStringGrid::GetTextOffsetHeight() const { return FXYOffsetTopLeftOnly ? FXYOffset.Y : 2 * FXYOffset.Y; }
int TKitStringGrid::GetTextOffsetWidth() const { return FXYOffsetTopLeftOnly ? FXYOffset.X : 2 * FXYOffset.X; }

int TKitStringGrid::GetMaxLinesInRow(int ARow) {
  if (!FMultilinecells || ColCount() == 0) return 1;
  int n = 1;
  for (int c = 0; c < ColCount(); ++c) n = std::max(n, CountLines(Cells(c, ARow), true));
  return n;
}

void TKitStringGrid::StretchBitmapDIB(TCanvas* Canvas, const TRect& Rect, TBitmap* Bitmap, DWORD Rop) {
  if (!Canvas || !Bitmap || Bitmap->Empty()) return;
  const QImage img = Bitmap->ToImage().convertToFormat(QImage::Format_ARGB32);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = img.width();
  bi.bmiHeader.biHeight = -img.height();
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  StretchDIBits(Canvas->Handle(), Rect.Left, Rect.Top, Rect.Right - Rect.Left, Rect.Bottom - Rect.Top, 0, 0,
                img.width(), img.height(), img.constBits(), &bi, DIB_RGB_COLORS, Rop);
}

// ---------------------------------------------------------------------------
// Cells

void TKitGridPrinter::StretchScreenPaint(const TRect& R, TGraphic* Graphic, TColor Ground,
                                         const std::function<void(TCanvas*, const TRect&)>& Paint, int WPx, int HPx) {
  // Pictures and screen painters work in screen pixels: they draw on a
  // bitmap of their own size, which is stretched over the paper rectangle.
  if (WPx <= 0) WPx = Graphic ? Graphic->Width() : RoundI((R.Right - R.Left) / pixel);
  if (HPx <= 0) HPx = Graphic ? Graphic->Height() : RoundI((R.Bottom - R.Top) / pixel);
  if (WPx <= 0 || HPx <= 0 || R.Right <= R.Left || R.Bottom <= R.Top) return;
  TBitmap bmp;
  bmp.SetSize(WPx, HPx);
  bmp.Canvas()->Brush()->SetColor(Ground);
  bmp.Canvas()->FillRect(TRect(0, 0, WPx, HPx));
  if (Graphic) bmp.Canvas()->StretchDraw(TRect(0, 0, WPx, HPx), Graphic);
  if (Paint) Paint(bmp.Canvas(), TRect(0, 0, WPx, HPx));
  TKitStringGrid::StretchBitmapDIB(C, TRect(R.Left, Ly(R.Top), R.Right, Ly(R.Bottom)), &bmp);
}

QString TKitGridPrinter::CellText(int c, int Row, int& Kind) {
  QString text = G.IsDataCell(c, Row) ? QString() : G.GetFormattedCell(c, Row);
  Kind = GetCellTextKind(text, G.EnableHTML());
  if (Kind != 1 && Kind != 2) {
    if (G.GetCellType(c, Row) == ctValue) text = G.GetCellValue(c, Row);
    bool pw = false;
    G.IsPasswordCell(c, Row, pw);
    if (pw) MaskText(text, G.PasswordChar());
  }
  return text;
}

void TKitGridPrinter::DrawHtmlDevice(const TRect& R, const QString& Html, TFont* Font, bool WordWrap) {
  const HDC h = C->Handle();
  POINT pts[2] = {{R.Left, Ly(R.Top)}, {R.Right, Ly(R.Bottom)}};
  LPtoDP(h, pts, 2);
  POINT vp{};
  GetViewportOrgEx(h, &vp);
  const int mode = GetMapMode(h);
  SetMapMode(h, MM_TEXT);
  POINT oldVp{};
  SetViewportOrgEx(h, 0, 0, &oldVp);
  TFont saved;
  saved.Assign(C->Font());
  C->Font()->Assign(Font);
  C->Font()->SetHeight(-RoundI(Font->Size() * m * dpi / 72.0));
  TMiniHtmlDrawParams params;
  params.Printing = true;
  params.PrintFactor = r;
  params.ScaleFactor = r;
  params.WordWrap = WordWrap;
  TMiniHtmlDrawResult res;
  DrawMiniHtml(C, Html, TRect(pts[0].x, pts[0].y, pts[1].x, pts[1].y), params, res);
  C->Font()->Assign(&saved);
  SetMapMode(h, mode);
  SetViewportOrgEx(h, oldVp.x, oldVp.y, nullptr);
}

void TKitGridPrinter::DrawRichText(const TRect& R, int c, int Row) {
  // The painter of the screen, onto the target: the rich editor lays the
  // cell out as on screen and draws it at the target's resolution (on a
  // printer as text). Text without a font of its own takes the cell's font
  // at its own size; on paper the cell is never drawn as selected.
  TRichEdit* re = G.RichEdit();
  re->SetDefaultFont(FCellFont.get());
  G.CellToRich(c, Row, re);
  re->SetWordWrap(G.FWordWrapEx);
  const int margin = G.FXYRTFOffset.X * dpi / 96;
  re->PaintTo(C, TRect(R.Left, Ly(R.Top), R.Right, Ly(R.Bottom)), margin, FCellFont->Color());
}

TPoint TKitGridPrinter::MeasurePrintCell(int ACol, int ARow) {
  const int c = G.DisplToRealCol(ACol);
  int kind = 0;
  QString text = CellText(c, ARow, kind);
  TGridDrawState st;
  TColor to, mir, mirTo;
  TAlignment ha = taLeftJustify;
  TVAlignment va = vtaTop;
  bool ww = false;
  TCellGradientDirection gd{};
  G.GetVisualProperties(ACol, ARow, st, true, false, true, FCellBrush.get(), to, mir, mirTo, FCellFont.get(), ha, va,
                        ww, gd);
  G.GetWordWrap(c, ARow, ww);
  TPoint size;
  if (kind == 1) {
    // Mini-HTML: measured in device units at the print font's size.
    const int wpx = PS.NoAutoSize() ? RoundI((G.ColWidths(ACol) + 4) * pixel * dpi / 254.0) : 65535;
    const HDC h = C->Handle();
    const int mode = GetMapMode(h);
    SetMapMode(h, MM_TEXT);
    TFont saved;
    saved.Assign(C->Font());
    C->Font()->Assign(FCellFont.get());
    C->Font()->SetHeight(-RoundI(FCellFont->Size() * G.FFontscalefactor * dpi / 72.0));
    const TSize sz = MeasureMiniHtml(C, text, TRect(0, 0, wpx, 65535), PS.NoAutoSize(), r);
    C->Font()->Assign(&saved);
    SetMapMode(h, mode);
    size = TPoint(RoundI(sz.cx * 254.0 / dpi), std::max(0, RoundI(sz.cy * 254.0 / dpi) - RoundI(gap * pixel)));
  } else if (kind == 2) {
    // Rich text: the rich editor's size for the column's screen width, on
    // paper.
    const TSize need = G.MeasureRichText(c, ARow, TRect(0, 0, G.ColWidths(ACol) + 4, 0), true, FCellFont.get());
    size = TPoint(RoundI(need.cx * pixel * G.FFontscalefactor), RoundI(need.cy * pixel * G.FFontscalefactor));
  } else {
    SetPrintFont(FCellFont.get(), G.FFontscalefactor);
    TCellGraphic* gr = G.GetCellGraphic(c, ARow);
    const bool rotated = gr && gr->CellType() == ctRotated;
    const int angle = rotated ? gr->CellAngle() : 0;
    if (rotated) C->Font()->SetOrientation(angle * 10);
    TPoint gsz;
    if (PS.PrintGraphics() && gr && !rotated && gr->CellType() != ctNone && gr->CellType() != ctEmpty) {
      const TPoint e = G.CalcPrintCellTextExtent(c, ARow, G.ColWidths(ACol), G.RowHeights(ARow), 1.0);
      gsz = TPoint(RoundI(e.X * pixel), RoundI(e.Y * pixel));
    }
    if (text.isEmpty()) text = QStringLiteral("gh");
    if (G.URLShow() && !G.URLFull()) StripUrlScheme(text);
    if (!ww || !PS.NoAutoSize() || rotated) {
      const QStringList lines = Lines(text, G.Multilinecells() || ww);
      int widest = 0;
      for (const QString& l : lines) widest = std::max(widest, C->TextWidth(l));
      const int lh = TextH(QStringLiteral("gh"));
      int w = widest, hh = int(lines.size()) * lh;
      if (rotated) {
        const double a = angle * std::numbers::pi / 180;
        const int rw = std::abs(RoundI(std::cos(a) * w)) + std::abs(RoundI(std::sin(a) * hh));
        const int rh = std::abs(RoundI(std::sin(a) * widest)) + std::abs(RoundI(std::cos(a) * hh));
        w = rw;
        hh = rh;
      }
      size = TPoint(w + gsz.X, hh);
    } else {
      const bool mergedX = G.CellExt(c, ARow).X > 0;
      RECT rc{0, 0, mergedX ? 65535 : std::max(1, MaxWidths.empty() ? 65535 : MaxWidths[size_t(ACol)]), 0};
      if (rc.right <= 0) rc.right = RoundI((G.ColWidths(ACol) + 4) * pixel);
      DrawTextW(C->Handle(), text, &rc, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
      size = TPoint(rc.right - rc.left, std::abs(rc.bottom - rc.top));
    }
    if (rotated) C->Font()->SetOrientation(0);
    size.X = std::max(size.X, gsz.X);
    size.Y = std::max(size.Y, gsz.Y);
  }
  if (G.OnCustomCellSize) G.OnCustomCellSize(&G, C, c, ARow, size, true);
  return size;
}

int TKitGridPrinter::PrintCellRect(int y, int FromCol, int ToCol, int Row) {
  G.FFontscalefactor = PS.NoAutoSizeRow() ? 1 : m;
  const int step = 2 * gap + RowPrintHeight(Row) + PS.RowSpacing();
  if (Drawing() && PageInRange(p)) {
    for (int B = FromCol; B <= ToCol; ++B)
      if (ColPrinted(B) && MaxWidths[size_t(B)] > 0) PrintCell(y, B, Row, step, FromCol, ToCol);
  }
  G.FFontscalefactor = 1;
  return step;
}

void TKitGridPrinter::PrintCell(int y, int B, int Row, int Step, int FromCol, int ToCol) {
  const int c = G.DisplToRealCol(B);
  const TPoint base = G.BaseCell(c, Row);
  const bool isBase = base.X == c && base.Y == Row;
  const TPoint ext = G.CellExt(base.X, base.Y);
  // 1. Extent.
  int w = 0;
  const int extraCols = isBase ? std::max(0, ext.X) : 0;
  const int extraRows = isBase ? std::max(0, ext.Y) : 0;
  for (int k = B; k <= B + extraCols && size_t(k) < MaxWidths.size(); ++k)
    if (MaxWidths[size_t(k)] > 0) w += MaxWidths[size_t(k)] + s;
  int hgt = Step * (extraRows + 1);
  if (PS.NoAutoSizeRow() && extraRows > 0)
    hgt = (extraRows + 1) * (RoundI(G.RowHeights(Row) * pixel) + 2 * gap + PS.RowSpacing() - 4);
  TRect cr(Indents[size_t(B)], y, Indents[size_t(B)] + w, y + hgt);
  // 2. Borders.
  TCellBorders flags;
  switch (PS.Borders()) {
    case TPrintBorders::pbSingle:
    case TPrintBorders::pbDouble: flags = TCellBorders{cbTop, cbLeft, cbRight, cbBottom}; break;
    case TPrintBorders::pbHorizontal:
    case TPrintBorders::pbAroundHorizontal: flags = TCellBorders{cbTop, cbBottom}; break;
    case TPrintBorders::pbVertical:
    case TPrintBorders::pbAroundVertical: flags = TCellBorders{cbLeft, cbRight}; break;
    default: break;
  }
  TPen pen;
  pen.SetWidth(1);
  pen.SetColor(PS.BorderColor());
  G.GetCellPrintBorder(c, Row, &pen, flags);

  TCanvas* cv = C;
  const HDC h = cv->Handle();
  // 3. A base cell's content.
  if (isBase) {
    TGridDrawState st;
    TColor to = clNone, mir, mirTo;
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    bool ww = false;
    TCellGradientDirection gd{};
    G.GetVisualProperties(B, Row, st, true, false, true, FCellBrush.get(), to, mir, mirTo, FCellFont.get(), ha, va, ww,
                          gd);
    G.GetWordWrap(c, Row, ww);
    TFont savedFont;
    savedFont.Assign(cv->Font());
    TBrush savedBrush;
    savedBrush.Assign(cv->Brush());
    SetPrintFont(FCellFont.get(), G.FFontscalefactor);
    int kind = 0;
    QString text = CellText(c, Row, kind);
    // Background.
    TRect bg = cr;
    const int pw = std::max(1, pen.Width());
    if (!flags.Contains(cbLeft)) bg.Left -= 2 * pw;
    if (!flags.Contains(cbTop)) bg.Top -= 2 * pw;
    const TColor bc = FCellBrush->Color();
    if (bc != clNone) {
      const TRect lr(bg.Left, Ly(bg.Top), bg.Right, Ly(bg.Bottom));
      if (to != clNone && to != bc) {
        FillGradientRect(cv, bc, to, false, lr, 64);
      } else {
        cv->Brush()->SetColor(bc);
        cv->Brush()->SetStyle(bsSolid);
        cv->FillRect(lr);
      }
    }
    G.GetCellAlignment(c, Row, ha, va);
    const int t = TextH(QStringLiteral("gh")) + PS.RowSpacing();
    const int M = t + t / 8;
    TCellGraphic* gr = G.GetCellGraphic(c, Row);
    const TCellType kindG = gr ? gr->CellType() : ctEmpty;
    const bool rotated = kindG == ctRotated;
    const int angle = rotated ? gr->CellAngle() : 0;
    TRect tr = cr;  // the text area
    // Graphics that take room beside the text.
    TRect grect;
    const bool drawGraphic = PS.PrintGraphics() && gr && !rotated && kindG != ctEmpty;
    if (drawGraphic && kindG != ctNone) {
      const TPoint e = G.CalcPrintCellTextExtent(c, Row, RoundI(w / pixel), RoundI(Step / pixel), 1.0);
      const int gw = RoundI(e.X * pixel), gh = RoundI(e.Y * pixel);
      TCellHAlign hal = gr->CellHAlign();
      if ((kindG == ctCheckBox || kindG == ctDataCheckBox || kindG == ctRadioButton) && text.isEmpty()) {
        if (ha == taRightJustify) hal = haRight;
        if (ha == taCenter) hal = haCenter;
      }
      int gx = cr.Left + RoundI(pixel);
      switch (hal) {
        case haRight:
        case haAfterText:
          gx = cr.Right - gw - RoundI(pixel);
          tr.Right = gx;
          break;
        case haCenter: gx = cr.Left + (cr.Right - cr.Left - gw) / 2; break;
        case haFull: gx = cr.Left; break;
        default: tr.Left = gx + gw; break;
      }
      int gyy = cr.Top + gap;
      switch (gr->CellVAlign()) {
        case vaBottom:
        case vaUnderText: gyy = cr.Bottom - gh - gap; break;
        case vaCenter: gyy = cr.Top + (cr.Bottom - cr.Top - gh) / 2; break;
        default: break;
      }
      grect = TRect(gx, gyy, hal == haFull ? cr.Right : gx + gw, gyy + gh);
    }
    cv->Brush()->SetStyle(bsClear);
    SetBkMode(h, TRANSPARENT);
    SetTextColor(h, COLORREF(ColorToRGB(FCellFont->Color())));
    const UINT hflag = ha == taRightJustify ? DT_RIGHT : ha == taCenter ? DT_CENTER : DT_LEFT;
    if (kind == 1) {
      TRect hr = tr;
      hr.Right -= halfG + RoundI(2 * pixel);
      hr.Top += gap;
      DrawHtmlDevice(hr, text, FCellFont.get(), ww);
    } else if (kind == 2) {
      TRect rr = tr;
      rr.Left += 4;
      rr.Bottom += 40;
      DrawRichText(rr, c, Row);
    } else if (!text.isEmpty()) {
      if (G.URLShow() && !G.URLFull()) StripUrlScheme(text);
      if (rotated) {
        cv->Font()->SetOrientation(angle * 10);
        const QStringList lines = Lines(text, true);
        int widest = 0;
        for (const QString& l : lines) widest = std::max(widest, cv->TextWidth(l));
        const double a = angle * std::numbers::pi / 180;
        const int A = std::abs(int(std::trunc(std::cos(a) * M)));
        const int Bv = std::abs(int(std::trunc(std::sin(a) * widest)));
        const int Cv = std::abs(int(std::trunc(std::sin(a) * M)));
        const int D = std::abs(int(std::trunc(std::cos(a) * widest)));
        // The alignment works on the page's downward distances, inside the
        // cell's gaps, so that the turned text stays within its cell.
        TRect ar(tr.Left + halfG, tr.Top + gap, tr.Right - halfG, tr.Bottom - gap);
        TKitStringGrid::AlignAngledTextRect(ar, ha, va, A, Bv, Cv, D, angle);
        const TRect clipR(cr.Left, Ly(cr.Top), cr.Right, Ly(cr.Bottom));
        const int nLines = angle == 90 ? int(lines.size()) : 1;
        for (int i = 0; i < nLines; ++i)
          cv->TextRect(clipR, ar.Left + i * TextH(QStringLiteral("gh")), Ly(ar.Top), lines[i]);
        cv->Font()->SetOrientation(0);
      } else if (ww && PS.NoAutoSize()) {
        TRect wr = tr;
        if (wr.Right > W) wr.Right = Indents[size_t(bandEnd) + 1];
        wr.Left += 2;
        if (ha == taLeftJustify) wr.Left += halfG;
        if (ha == taRightJustify) wr.Right -= halfG;
        if (ha == taCenter) wr.Left += halfG, wr.Right -= halfG;
        RECT rc{wr.Left, Ly(wr.Top + gap), wr.Right, Ly(wr.Bottom)};
        DrawTextW(h, text, &rc, 0x2850 | hflag);
      } else {
        const QStringList lines = Lines(text, G.Multilinecells() || ww);
        if (lines.size() <= 1) {
          TRect sr = tr;
          sr.Left += halfG;
          sr.Right -= halfG;
          sr.Top += gap;
          const UINT vflag = va == vtaCenter ? DT_VCENTER : va == vtaBottom ? DT_BOTTOM : 0;
          RECT rc{sr.Left, Ly(sr.Top), sr.Right, Ly(sr.Bottom)};
          DrawTextW(h, lines.value(0), &rc, 0x2820 | hflag | vflag);
        } else {
          const int lh = M - PS.RowSpacing();
          int o = 0;
          if (extraRows == 0) {
            if (va == vtaCenter) o = (Step - lh * int(lines.size())) / 2;
            if (va == vtaBottom) o = Step - lh * int(lines.size());
          }
          const TRect clipR(cr.Left, Ly(cr.Top), cr.Right, Ly(cr.Bottom));
          int yy = cr.Top + o + gap;
          for (const QString& l : lines) {
            const int lw = cv->TextWidth(l);
            const int x = ha == taRightJustify ? tr.Right - halfG - lw
                          : ha == taCenter     ? tr.Left + (tr.Right - tr.Left - lw) / 2
                                               : tr.Left + halfG;
            cv->TextRect(clipR, x + G.XYOffset().X, Ly(yy), l);
            yy += lh;
          }
        }
      }
    }
    // Graphics.
    if (drawGraphic) {
      const TRect gl(grect.Left, Ly(grect.Top), grect.Right, Ly(grect.Bottom));
      switch (kindG) {
        case ctBitmap:
          if (auto* bmp = dynamic_cast<TGraphic*>(gr->CellBitmap())) StretchScreenPaint(grect, bmp, clWhite, nullptr);
          break;
        case ctCheckBox:
        case ctDataCheckBox:
        case ctVirtCheckBox:
        case ctRowCheckBox:
        case ctRadioButton: {
          const int lift = RoundI(G.XYOffset().Y * pixel);
          RECT rc{gl.Left, gl.Top + lift, gl.Right, gl.Bottom + lift};
          bool checked = gr->CellBoolean() || gr->CellCheckBoxState() == cbChecked;
          if (kindG == ctDataCheckBox) {
            const QString v = G.Cells(c, Row);
            checked =
                !v.isEmpty() && v != QStringLiteral("0") && v.compare(QStringLiteral("false"), Qt::CaseInsensitive);
          }
          UINT state = kindG == ctRadioButton ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
          if (checked) state |= DFCS_CHECKED;
          if (G.ControlLook()->ControlStyle() == TControlLook::csFlat) state |= DFCS_FLAT;
          DrawFrameControl(h, &rc, DFC_BUTTON, state);
          break;
        }
        case ctNode: {
          // A 20 x 20 square in the node colour, centred in the graphic's
          // place, with a minus sign and, for a contracted node, the plus
          // sign's bar.
          const int cx = (grect.Left + grect.Right) / 2, cy = (grect.Top + grect.Bottom) / 2;
          TPen savedPen;
          savedPen.Assign(cv->Pen());
          const TColor nodeColor = G.CellNode()->NodeColor();
          cv->Pen()->SetStyle(psSolid);
          cv->Pen()->SetWidth(2);
          cv->Pen()->SetColor(nodeColor);
          cv->Brush()->SetStyle(bsSolid);
          cv->Brush()->SetColor(G.CellNode()->Color() == clNone ? clWhite : G.CellNode()->Color());
          cv->Rectangle(TRect(cx - 10, Ly(cy - 10), cx + 10, Ly(cy + 10)));
          cv->MoveTo(cx - 6, Ly(cy));
          cv->LineTo(cx + 7, Ly(cy));
          if (gr->CellBoolean()) {
            cv->MoveTo(cx, Ly(cy - 6));
            cv->LineTo(cx, Ly(cy + 7));
          }
          cv->Pen()->Assign(&savedPen);
          cv->Brush()->SetStyle(bsClear);
          break;
        }
        case ctRadio: {
          // The radio group as the screen paints it, at screen size,
          // stretched over the graphic's place; the items' labels may run
          // on to the cell's right edge.
          auto* items = dynamic_cast<TStrings*>(gr->CellBitmap());
          const int count = items ? items->Count() : 0;
          const TControlLook::TControlStyle style = G.ControlLook()->ControlStyle();
          StretchScreenPaint(
              TRect(grect.Left, grect.Top, std::max(grect.Right, cr.Right - RoundI(pixel)), grect.Bottom), nullptr,
              bc == clNone ? clWhite : bc,
              [&](TCanvas* bc2, const TRect& r2) {
                bc2->Font()->Assign(FCellFont.get());
                G.DrawRadioButton(bc2, r2, false, 1.0, style, Row, c, false, items, false, gr->CellBoolean(),
                                  gr->CellIndex(), count);
              });
          break;
        }
        case ctImages:
          // Each listed image in turn, side by side or stacked, each at its
          // screen size on paper.
          if (TCustomImageList* il = G.GridImages())
            if (TIntList* list = gr->CellImageList()) {
              const int iw = RoundI(il->Width() * pixel), ih = RoundI(il->Height() * pixel);
              int x = grect.Left, yy = grect.Top;
              for (int i = 0; i < list->Count(); ++i) {
                const int idx = list->Items(i);
                if (idx >= 0 && idx < il->Count())
                  StretchScreenPaint(
                      TRect(x, yy, x + iw, yy + ih), nullptr, bc == clNone ? clWhite : bc,
                      [&](TCanvas* bc2, const TRect&) { il->Draw(bc2, 0, 0, idx); }, il->Width(), il->Height());
                if (gr->CellBoolean()) x += iw;
                else yy += ih;
              }
            }
          break;
        case ctButton:
        case ctBitButton:
        case ctVirtButton: {
          // A push button drawn at screen size over the graphic's place,
          // its caption written over it as text.
          StretchScreenPaint(grect, nullptr, clBtnFace, [](TCanvas* bc2, const TRect& r2) {
            RECT rc{r2.Left, r2.Top, r2.Right, r2.Bottom};
            DrawFrameControl(bc2->Handle(), &rc, DFC_BUTTON, DFCS_BUTTONPUSH);
          });
          if (!gr->CellText().isEmpty()) {
            SetTextColor(h, COLORREF(ColorToRGB(FCellFont->Color())));
            RECT rc{gl.Left, gl.Top, gl.Right, gl.Bottom};
            DrawTextW(h, gr->CellText(), &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
          }
          break;
        }
        case ctInterface:
          // The object draws itself on a bitmap of its size (the cell's
          // where it names none), stretched over the graphic's place.
          if (auto* cellObject = dynamic_cast<IGridCell*>(gr->CellBitmap())) {
            const int ow = cellObject->GetWidth() > 0 ? cellObject->GetWidth() : G.ColWidths(B);
            const int oh = cellObject->GetHeight() > 0 ? cellObject->GetHeight() : G.RowHeights(Row);
            StretchScreenPaint(
                grect, nullptr, bc == clNone ? clWhite : bc,
                [&](TCanvas* bc2, const TRect& r2) { cellObject->Draw(bc2, r2, &G, false, Row, c); }, ow, oh);
          }
          break;
        case ctShape: {
          // The shape at screen size, moved up by the text offset.
          TRect sr = grect;
          const int lift = RoundI(G.XYOffset().Y * pixel);
          sr.Top -= lift;
          sr.Bottom -= lift;
          StretchScreenPaint(sr, nullptr, bc == clNone ? clWhite : bc, [&](TCanvas* bc2, const TRect& r2) {
            DrawCellShape(bc2, 0, 0, gr->CellBitmapColor(), TColor(gr->CellIndex()), TCellShape(gr->CellAngle() & 0xFF),
                          r2.Bottom - 1, r2.Right - 1);
          });
          break;
        }
        case ctIcon:
          if (auto* icon = dynamic_cast<TGraphic*>(gr->CellIcon())) StretchScreenPaint(grect, icon, clWhite, nullptr);
          break;
        case ctPicture:
          if (auto* pic = dynamic_cast<TPicture*>(gr->CellBitmap()); pic && pic->Graphic())
            StretchScreenPaint(grect, pic->Graphic(), bc == clNone ? clWhite : bc, nullptr);
          break;
        case ctFilePicture:
          if (auto* fp = dynamic_cast<TFilePicture*>(gr->CellBitmap()); fp && QFile::exists(fp->Filename())) {
            TPicture pic;
            try {
              pic.LoadFromFile(fp->Filename());
            } catch (const Exception&) {
              break;  // an unreadable picture prints nothing
            }
            if (pic.Graphic()) StretchScreenPaint(grect, pic.Graphic(), bc == clNone ? clWhite : bc, nullptr);
          }
          break;
        case ctImageList:
        case ctDataImage:
          if (TCustomImageList* il = G.GridImages()) {
            const int idx = kindG == ctDataImage ? G.Cells(c, Row).toInt() : gr->CellIndex();
            TColor ground = G.Canvas() ? G.Canvas()->Brush()->Color() : clWhite;
            if (ground == clNone) ground = clWhite;
            StretchScreenPaint(
                grect, nullptr, ground, [&](TCanvas* bc2, const TRect&) { il->Draw(bc2, 0, 0, idx); }, il->Width(),
                il->Height());
          }
          break;
        case ctProgress: {
          const int value = G.Cells(c, Row).toInt();
          TRect pr = grect;
          pr.Top -= RoundI(2 * pixel);
          pr.Bottom += RoundI(4 * pixel);
          pr.Right = cr.Right - RoundI(pixel);
          const int wpx = std::max(1, RoundI((pr.Right - pr.Left) / pixel));
          const int hpx = std::max(1, RoundI((pr.Bottom - pr.Top) / pixel));
          const TColor color = gr->CellBitmapColor() == clNone ? 0xD77800 : gr->CellBitmapColor();
          StretchScreenPaint(
              pr, nullptr, clWhite,
              [&](TCanvas* bc2, const TRect& r2) {
                DrawProgressBar(bc2, r2, color, false, clBlack, QStringLiteral("%d%%"), 1, 100, 0, 0, 0, value, clBlack,
                                clWhite, clWhite);
              },
              wpx, hpx);
          break;
        }
        case ctProgressPie: {
          const int value = G.Cells(c, Row).toInt();
          const int side = std::max(1, RoundI((grect.Bottom - grect.Top) / pixel));
          const TColor color = gr->CellBitmapColor() == clNone ? 0xD77800 : gr->CellBitmapColor();
          StretchScreenPaint(
              grect, nullptr, bc == clNone ? clWhite : bc,
              [&](TCanvas* bc2, const TRect& r2) { DrawProgressPie(bc2, r2, color, false, value); }, side, side);
          break;
        }
        case ctNone:
          if (PS.PrintComments() && !gr->CellComment().isEmpty()) {
            const int k = RoundI(8 * pixel);
            const TColor ob = cv->Brush()->Color();
            const TColor op = cv->Pen()->Color();
            cv->Brush()->SetStyle(bsSolid);
            cv->Brush()->SetColor(clRed);
            cv->Pen()->SetColor(clRed);
            cv->Polygon(
                {TPoint(cr.Right - k, Ly(cr.Top)), TPoint(cr.Right, Ly(cr.Top)), TPoint(cr.Right, Ly(cr.Top + k))});
            cv->Brush()->SetColor(ob);
            cv->Pen()->SetColor(op);
          }
          break;
        default: break;
      }
    }
    cv->Font()->Assign(&savedFont);
    cv->Brush()->Assign(&savedBrush);
    // Custom drawing in device units.
    if (G.OnCustomCellDraw) {
      POINT pts[2] = {{cr.Left, Ly(cr.Top)}, {cr.Right, Ly(cr.Top + Step)}};
      LPtoDP(h, pts, 2);
      const int mode = GetMapMode(h);
      POINT oldVp{};
      SetMapMode(h, MM_TEXT);
      SetViewportOrgEx(h, 0, 0, &oldVp);
      G.OnCustomCellDraw(&G, cv, c, Row, st, TRect(pts[0].x, pts[0].y, pts[1].x, pts[1].y), true);
      SetMapMode(h, mode);
      SetViewportOrgEx(h, oldVp.x, oldVp.y, nullptr);
    }
  }
  // 4. Lines.
  if (!isBase) {
    const TPoint bext = G.CellExt(base.X, base.Y);
    if (bext.X > 0) flags.Exclude(cbLeft), flags.Exclude(cbRight);
    if (bext.Y > 0) flags.Exclude(cbTop), flags.Exclude(cbBottom);
    // The area's own edges stay.
    if (c == base.X && bext.X > 0) flags.Include(cbLeft);
    if (c == base.X + bext.X && bext.X > 0) flags.Include(cbRight);
    if (Row == base.Y + bext.Y && bext.Y > 0) flags.Include(cbBottom);
    if (Row == base.Y && bext.Y > 0) flags.Include(cbTop);
    cr = TRect(Indents[size_t(B)], y, Indents[size_t(B) + 1], y + Step);
    if (bext.X > 0 && c < base.X + bext.X) flags.Exclude(cbRight);
    if (bext.Y > 0 && Row < base.Y + bext.Y) flags.Exclude(cbBottom);
  } else {
    if (extraRows > 0) flags.Exclude(cbBottom), cr.Bottom = y + Step;  // drawn by the covered rows
  }
  if (cr.Bottom > Hp - ftrSz) {
    cr.Bottom = cr.Top + Step;
    flags.Exclude(cbBottom);
  }
  if (cr.Right > W) cr.Right = Indents[size_t(bandEnd) + 1];
  if (B > FromCol) cr.Left -= pen.Width();
  (void)ToCol;
  TPen saved;
  saved.Assign(cv->Pen());
  cv->Pen()->Assign(&pen);
  if (flags.Contains(cbTop)) cv->MoveTo(cr.Left, Ly(cr.Top)), cv->LineTo(cr.Right, Ly(cr.Top));
  if (flags.Contains(cbLeft)) cv->MoveTo(cr.Left, Ly(cr.Top)), cv->LineTo(cr.Left, Ly(cr.Bottom));
  if (flags.Contains(cbRight)) cv->MoveTo(cr.Right, Ly(cr.Top)), cv->LineTo(cr.Right, Ly(cr.Bottom));
  if (flags.Contains(cbBottom)) cv->MoveTo(cr.Left, Ly(cr.Bottom)), cv->LineTo(cr.Right + 1, Ly(cr.Bottom));
  cv->Pen()->Assign(&saved);
}

// ---------------------------------------------------------------------------
// Header and footer

QString TKitGridPrinter::PageNumberText() {
  QString text;
  int num = p + 1;
  if (multiBand) {
    num = pageInBand + 1;
    text = QString::number(pageInBand + 1) + u'-' + QString::number(bandNr + 1);
  } else if (!PS.PageNumSep().isEmpty() && FPageTotal > 1) {
    text = QString::number(p + 1 + PS.PageNumberOffset()) + PS.PageNumSep() +
           QString::number(qint64(FPageTotal) + PS.MaxPagesOffset());
  } else {
    text = QString::number(p + 1 + PS.PageNumberOffset());
  }
  G.PrintGetPageNum(num, text);
  if (G.OnPrintGetPageNum) G.OnPrintGetPageNum(&G, num, bandNr + 1, text);
  return text;
}

QString TKitGridPrinter::HeaderPart(int Pos, const QString& Text, const QString& Part) {
  const bool left = Pos == int(TPrintPosition::ppTopLeft) || Pos == int(TPrintPosition::ppBottomLeft);
  return left ? Part + u' ' + Text : Text + u' ' + Part;
}

int TKitGridPrinter::PrintHeaderFooter() {
  if (!Drawing() || !PageInRange(p)) return 0;
  using P = TPrintPosition;
  const double savedScale = G.FFontscalefactor;
  G.FFontscalefactor = m;
  QString texts[7];
  const TDateTime now = Now();
  if (PS.Time() != P::ppNone)
    texts[int(PS.Time())] =
        HeaderPart(int(PS.Time()), texts[int(PS.Time())], FormatDateTime(QStringLiteral("hh:nn"), now));
  if (PS.Date() != P::ppNone)
    texts[int(PS.Date())] = HeaderPart(int(PS.Date()), texts[int(PS.Date())], FormatDateTime(PS.DateFormat(), now));
  if (PS.PageNr() != P::ppNone)
    texts[int(PS.PageNr())] = HeaderPart(int(PS.PageNr()), texts[int(PS.PageNr())],
                                         PS.PagePrefix() + u' ' + PageNumberText() + u' ' + PS.PageSuffix());
  const int tp = int(PS.Title());
  const bool tLeft = PS.Title() == P::ppTopLeft || PS.Title() == P::ppBottomLeft;
  const bool tTop = PS.Title() == P::ppTopLeft || PS.Title() == P::ppTopRight || PS.Title() == P::ppTopCenter;
  const QStringList titleLines = PS.TitleLines()->Count() > 0 ? PS.TitleLines()->Text().split(u'\n') : QStringList();
  QStringList extraLines;
  bool htmlTitle = false;
  if (PS.Title() != P::ppNone) {
    QString& t = texts[tp];
    if (!PS.TitleText().isEmpty()) {
      if (tLeft) t = t.isEmpty() ? PS.TitleText() : PS.TitleText() + u' ' + t;
      else t = TKitStringGrid::JoinWithBlank(t, PS.TitleText());
    } else if (!titleLines.isEmpty()) {
      if (GetCellTextKind(PS.TitleLines()->Text(), true) == 1) {
        htmlTitle = true;
      } else {
        QString first = titleLines.first();
        first.remove(u'\r');
        t = tLeft ? TKitStringGrid::JoinWithBlank(first, t) : TKitStringGrid::JoinWithBlank(t, first);
        for (int i = 1; i < titleLines.size(); ++i) {
          QString l = titleLines[i];
          l.remove(u'\r');
          if (!l.isEmpty() || i + 1 < titleLines.size()) extraLines << l;
        }
      }
    }
  }
  TFont savedFont;
  savedFont.Assign(C->Font());
  TBrush savedBrush;
  savedBrush.Assign(C->Brush());
  C->Brush()->SetStyle(bsClear);
  const HDC h = C->Handle();
  SetBkMode(h, TRANSPARENT);
  auto xFor = [&](int pos, int width) {
    if (pos == int(P::ppTopLeft) || pos == int(P::ppBottomLeft)) return PS.LeftSize();
    if (pos == int(P::ppTopRight) || pos == int(P::ppBottomRight)) return W - width - PS.RightSize() - 20;
    return (W - width) / 2;
  };
  int result = 0;
  // Header.
  SetPrintFont(PS.HeaderFont(), m);
  SetTextColor(h, COLORREF(ColorToRGB(PS.HeaderFont()->Color())));
  for (int pos = int(P::ppTopLeft); pos <= int(P::ppTopCenter); ++pos)
    if (!texts[pos].isEmpty()) C->TextOut(xFor(pos, C->TextWidth(texts[pos])), Ly(hdrSz), texts[pos]);
  if (tTop && !extraLines.isEmpty()) {
    int yy = hdrSz;
    for (const QString& l : extraLines) {
      const int lh = TextH(QStringLiteral("gh"));
      yy += lh;
      result += lh;
      C->TextOut(xFor(tp, C->TextWidth(l)), Ly(yy), l);
    }
  }
  if (tTop && htmlTitle) {
    DrawHtmlDevice(TRect(PS.LeftSize(), hdrSz, W - PS.RightSize() - 20, hdrSz + htmlTitleH), PS.TitleLines()->Text(),
                   PS.HeaderFont(), true);
    result = htmlTitleH;
  }
  // Footer.
  SetPrintFont(PS.FooterFont(), m);
  SetTextColor(h, COLORREF(ColorToRGB(PS.FooterFont()->Color())));
  const int fy = Hp - (ftrH + gap + ftrSz);
  for (int pos = int(P::ppBottomLeft); pos <= int(P::ppBottomCenter); ++pos)
    if (!texts[pos].isEmpty()) C->TextOut(xFor(pos, C->TextWidth(texts[pos])), Ly(fy), texts[pos]);
  if (!tTop && PS.Title() != P::ppNone && !extraLines.isEmpty()) {
    int yy = fy;
    for (const QString& l : extraLines) {
      yy += TextH(QStringLiteral("gh"));
      C->TextOut(xFor(tp, C->TextWidth(l)), Ly(yy), l);
    }
  }
  if (!tTop && PS.Title() != P::ppNone && htmlTitle)
    DrawHtmlDevice(TRect(PS.LeftSize(), Hp - ftrSz - ftrH, W, Hp), PS.TitleLines()->Text(), PS.FooterFont(), true);
  C->Font()->Assign(&savedFont);
  C->Brush()->Assign(&savedBrush);
  G.FFontscalefactor = savedScale;
  return result;
}
