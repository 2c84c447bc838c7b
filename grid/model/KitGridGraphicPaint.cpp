// The graphic step of the cell painter: where a cell's graphic goes
// (GetCellGraphicLayout) and how each kind is painted (DrawCellGraphic),
// with the check boxes, radio buttons and node glyphs the grid draws, and
// the comment mark in a cell's top-right corner.
//
// The grid's glyphs (check boxes and radio buttons in the VDX and XP looks,
// the leaf and XP node glyphs) are drawn here at first use into 32-bit
// bitmaps and kept for the process under the names the cells' looks refer
// to ("KSGCHK01" ... "KSGRAD08", "KSGLEAFOPEN", "KSGLEAFCLOSE", "XPNODEO",
// "XPNODEC").

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <memory>

#include "gdiplus/PictureContainer.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridDraw.h"
#include "grid/model/KitGridLists.h"
#include "grid/model/KitGridUtils.h"
#include "foundation/KitMiniHTMLEngine.h"
#include "platform/vcl/Themes.h"
#include "platform/win32/Gdi.h"
#include "platform/win32/Theme.h"

namespace {

using TStyle = TControlLook::TControlStyle;

// ---------------------------------------------------------------------------
// The grid's own glyphs

// A check box: rounded box with a light gradient face, checked with a tick.
QImage CheckGlyph(int Size, bool Checked, bool Enabled, bool Vdx) {
  QImage img(Size, Size, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF box(0.5, 0.5, Size - 1.0, Size - 1.0);
  QLinearGradient face(0, 0, Size, Size);
  QColor border;
  QColor tick;
  if (Vdx) {
    face.setColorAt(0, Enabled ? QColor(0xF4, 0xF8, 0xFD) : QColor(0xF0, 0xF0, 0xF0));
    face.setColorAt(1, Enabled ? QColor(0xB9, 0xD1, 0xEA) : QColor(0xD8, 0xD8, 0xD8));
    border = Enabled ? QColor(0x4A, 0x6F, 0x9B) : QColor(0xA8, 0xA8, 0xA8);
    tick = Enabled ? QColor(0x1E, 0x39, 0x5B) : QColor(0x9A, 0x9A, 0x9A);
  } else {
    face.setColorAt(0, Enabled ? QColor(0xDC, 0xDC, 0xD7) : QColor(0xF4, 0xF4, 0xF4));
    face.setColorAt(1, Enabled ? QColor(0xFF, 0xFF, 0xFF) : QColor(0xF4, 0xF4, 0xF4));
    border = Enabled ? QColor(0x1C, 0x51, 0x80) : QColor(0xCA, 0xC8, 0xBB);
    tick = Enabled ? QColor(0x21, 0xA1, 0x21) : QColor(0xCA, 0xC8, 0xBB);
  }
  p.setPen(QPen(border, 1));
  p.setBrush(face);
  p.drawRoundedRect(box, Vdx ? 2.5 : 1.0, Vdx ? 2.5 : 1.0);
  if (Checked) {
    const double s = Size;
    QPainterPath path;
    path.moveTo(s * 0.24, s * 0.52);
    path.lineTo(s * 0.42, s * 0.72);
    path.lineTo(s * 0.78, s * 0.28);
    p.setPen(QPen(tick, std::max(1.6, s / 7.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
  }
  return img;
}

// A radio button: a ring with a light face, checked with a dot.
QImage RadioGlyph(int Size, bool Checked, bool Enabled, bool Vdx) {
  QImage img(Size, Size, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QRadialGradient face(Size * 0.35, Size * 0.35, Size * 0.7);
  QColor border = Enabled ? (Vdx ? QColor(0x4A, 0x6F, 0x9B) : QColor(0x1C, 0x51, 0x80)) : QColor(0xB0, 0xB0, 0xA8);
  face.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
  face.setColorAt(1, Enabled ? (Vdx ? QColor(0xB9, 0xD1, 0xEA) : QColor(0xDC, 0xDC, 0xD7)) : QColor(0xEC, 0xEC, 0xEC));
  p.setPen(QPen(border, 1));
  p.setBrush(face);
  p.drawEllipse(QRectF(0.5, 0.5, Size - 1.0, Size - 1.0));
  if (Checked) {
    const QColor dot = Enabled ? (Vdx ? QColor(0x1E, 0x39, 0x5B) : QColor(0x21, 0xA1, 0x21)) : QColor(0xA0, 0xA0, 0xA0);
    p.setPen(Qt::NoPen);
    p.setBrush(dot);
    const double d = Size * 0.44;
    p.drawEllipse(QRectF((Size - d) / 2, (Size - d) / 2, d, d));
  }
  return img;
}

// A leaf node: a filled triangle pointing right (closed) or down (open).
QImage LeafGlyph(bool Open) {
  QImage img(12, 12, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
  p.setBrush(Open ? QColor(0x40, 0x40, 0x40) : QColor(0xFF, 0xFF, 0xFF));
  QPolygonF tri;
  if (Open) tri << QPointF(2.5, 3.5) << QPointF(9.5, 3.5) << QPointF(6, 8.5);
  else tri << QPointF(3.5, 2.5) << QPointF(8.5, 6) << QPointF(3.5, 9.5);
  p.drawPolygon(tri);
  return img;
}

// An XP node: a small square with a soft gradient and a plus or minus.
QImage XPNodeGlyph(bool Open) {
  QImage img(9, 9, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  QLinearGradient face(0, 0, 9, 9);
  face.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
  face.setColorAt(1, QColor(0xC6, 0xC0, 0xB2));
  p.setPen(QColor(0x7A, 0x8A, 0x99));
  p.setBrush(face);
  p.drawRect(0, 0, 8, 8);
  p.setPen(QColor(0, 0, 0));
  p.drawLine(2, 4, 6, 4);
  if (!Open) p.drawLine(4, 2, 4, 6);
  return img;
}

// The glyph of a name, made once.
TBitmap* GridGlyph(const QString& Name) {
  static QHash<QString, std::shared_ptr<TBitmap>> cache;
  if (auto it = cache.find(Name); it != cache.end()) return it->get();
  QImage img;
  if (Name.startsWith(QLatin1String("KSGCHK")) || Name.startsWith(QLatin1String("KSGRAD"))) {
    // 01..04 VDX (16 pixels), 05..08 XP (13 pixels); odd checked, 1/2
    // enabled and 3/4 disabled within each four.
    const int n = Name.right(2).toInt() - 1;
    const bool vdx = n < 4;
    const bool checked = n % 2 == 0;
    const bool enabled = n % 4 < 2;
    const bool check = Name.startsWith(QLatin1String("KSGCHK"));
    img = check ? CheckGlyph(vdx ? 16 : 13, checked, enabled, vdx) : RadioGlyph(vdx ? 16 : 13, checked, enabled, vdx);
  } else if (Name == QLatin1String("KSGLEAFOPEN") || Name == QLatin1String("KSGLEAFCLOSE")) {
    img = LeafGlyph(Name == QLatin1String("KSGLEAFOPEN"));
  } else if (Name == QLatin1String("XPNODEO") || Name == QLatin1String("XPNODEC")) {
    img = XPNodeGlyph(Name == QLatin1String("XPNODEO"));
  }
  auto bitmap = std::make_shared<TBitmap>();
  if (!img.isNull()) bitmap->AssignImage(img);
  cache.insert(Name, bitmap);
  return bitmap.get();
}

void DrawGlyph(TCanvas* Canvas, int X, int Y, const QString& Name) { DrawAlphaBitmap(Canvas, X, Y, GridGlyph(Name)); }

// Draws a bitmap that is not the painter's own with or without its
// automatic transparent colour, leaving the bitmap's own flag as it was.
void DrawKeyed(TCanvas* Canvas, int X, int Y, TBitmap* Bitmap, bool Transparent) {
  const bool was = Bitmap->Transparent();
  if (was != Transparent) Bitmap->SetTransparent(Transparent);
  Canvas->Draw(X, Y, Bitmap);
  if (was != Transparent) Bitmap->SetTransparent(was);
}

bool IsCheckKind(TCellType T) {
  return T == ctCheckBox || T == ctDataCheckBox || T == ctVirtCheckBox || T == ctRowCheckBox ||
         T == ctRadioButton || T == ctTriStateCheckBox;
}

}  // namespace

// ---------------------------------------------------------------------------
// Layout

TCellGraphicLayout TKitStringGrid::GetCellGraphicLayout(int ACol, int ARow) {
  TCellGraphicLayout layout;
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  layout.Graphic = g;
  if (g == nullptr) return layout;
  const double dpi = GetDPIScale();
  int& w = layout.Width;
  int& h = layout.Height;
  bool& text = layout.DrawText;
  switch (g->CellType()) {
    case ctBitmap:
      if (auto* b = dynamic_cast<TGraphic*>(g->CellBitmap())) {
        w = b->Width();
        h = b->Height();
      }
      break;
    case ctIcon:
      if (auto* i = dynamic_cast<TGraphic*>(g->CellIcon())) {
        w = i->Width();
        h = i->Height();
      }
      break;
    case ctImageList:
    case ctDataImage:
      if (TCustomImageList* images = GetGridImages()) {
        w = images->Width();
        h = images->Height();
      }
      text = g->CellType() == ctImageList;
      break;
    case ctCheckBox:
    case ctTriStateCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
      w = h = int(Round(FControlLook->CheckSize() * dpi));
      text = g->CellType() == ctCheckBox || g->CellType() == ctTriStateCheckBox;
      break;
    case ctRotated:
    case ctRadio:
    case ctProgress:
    case ctRangeIndicator:
    case ctXPProgress:
      text = false;
      break;
    case ctImages:
      if (TCustomImageList* images = GetGridImages()) {
        const int k = g->CellImageList() ? g->CellImageList()->Count() : 0;
        w = g->CellBoolean() ? k * images->Width() : images->Width();
        h = g->CellBoolean() ? images->Height() : k * images->Height();
      }
      break;
    case ctPicture:
    case ctFilePicture: {
      const TRect cell = CellRect(DisplColIndex(ACol), ARow);
      const int roomX = FXYOffsetTopLeftOnly ? FXYOffset.X : 2 * FXYOffset.X;
      const int roomY = FXYOffsetTopLeftOnly ? FXYOffset.Y : 2 * FXYOffset.Y;
      const TPoint size = g->GetPictureSize(cell.Width() - roomX, cell.Height() - roomY, nullptr,
                                            !GetCellEx(ACol, ARow).isEmpty());
      w = size.X;
      h = size.Y;
      break;
    }
    case ctButton:
    case ctBitButton:
    case ctVirtButton:
      w = int(Round((g->CellIndex() & 0xFFFF) * dpi));
      h = int(Round(((uint32_t(g->CellIndex()) >> 16) & 0xFFFF) * dpi));
      break;
    case ctProgressPie:
      w = h = 20;
      break;
    case ctInterface:
      if (auto* cellObject = dynamic_cast<IGridCell*>(g->CellBitmap())) {
        w = cellObject->GetWidth();
        h = cellObject->GetHeight();
      }
      break;
    case ctRadioButton:
      w = h = FControlLook->RadioSize() + 4;
      break;
    case ctShape:
      w = h = std::max(0, std::min(ColWidths(DisplColIndex(ACol)), RowHeights(ARow)) - 2 * FXYOffset.Y);
      break;
    case ctRating:
      w = g->CellAngle() * 18;
      h = 16;
      text = false;
      break;
    case ctDataPicture:
      if (TGraphic* picture = FPictureContainer ? FPictureContainer->FindPicture(GetCellEx(ACol, ARow)) : nullptr) {
        w = picture->Width();
        h = picture->Height();
        text = false;
      }
      break;
    default:
      break;
  }
  layout.HAlign = g->CellHAlign();
  layout.VAlign = g->CellVAlign();
  return layout;
}

// ---------------------------------------------------------------------------
// Check boxes and radio buttons

void TKitStringGrid::DrawCheckBox(TCanvas* Canvas, const TRect& ARect, bool Checked, TCheckBoxState State,
                                  bool TriState, TStyle Style, bool Grayed, bool Enabled) {
  if (FControlLook->NoDisabledCheckRadioLook() || FControlLook->CheckAlwaysActive()) Enabled = true;
  if (TriState) {
    Checked = State == cbChecked;
    Grayed = State == cbGrayed;
  }
  // The grid's styles with an active visual style: the style's box.
  if (GetUseKWFStyles() && TStyleManager::IsCustomStyleActive()) {
    const TThemedButton element = Checked ? (Enabled ? tbCheckBoxCheckedNormal : tbCheckBoxCheckedDisabled)
                                          : (Enabled ? tbCheckBoxUncheckedNormal : tbCheckBoxUncheckedDisabled);
    const TCustomStyleServices& style = TStyleManager::ActiveStyle();
    const auto details = TCustomStyleServices::GetElementDetails(element);
    const RECT rc{ARect.Left, ARect.Top, ARect.Right, ARect.Bottom};
    style.DrawElement(Canvas->Handle(), details, rc);
    TColor text = clNone;
    if (style.GetElementColor(details, ecTextColor, text) && text != clNone) Canvas->Font()->SetColor(text);
    return;
  }
  // Without visual themes the platform theme look is the classic one.
  if (Style == TControlLook::csTheme && !IsThemeActive()) Style = TControlLook::csClassic;
  TRect r = ARect;
  switch (Style) {
    case TControlLook::csWinXP:
    case TControlLook::csVDX: {
      const bool vdx = Style == TControlLook::csVDX;
      const int n = (vdx ? 1 : 5) + (Checked ? 0 : 1) + (Enabled ? 0 : 2);
      DrawGlyph(Canvas, r.Left, r.Top, QStringLiteral("KSGCHK%1").arg(n, 2, 10, QChar(u'0')));
      if (Grayed && !Checked) {
        // A partial state: a filled square inside the box.
        const int s = vdx ? 16 : 13;
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->Brush()->SetColor(vdx ? 0x5B391E : 0x21A121);
        Canvas->FillRect(TRect(r.Left + s / 4 + 1, r.Top + s / 4 + 1, r.Left + s - s / 4 - 1, r.Top + s - s / 4 - 1));
      }
      break;
    }
    case TControlLook::csQuarvel: {
      const int s = FControlLook->CheckSize();
      TRect b(r.Left, r.Top, r.Left + s, r.Top + s);
      if (Checked) b = TRect(b.Left, b.Top - 1, b.Right, b.Bottom - 1);
      Canvas->Brush()->SetStyle(bsSolid);
      Canvas->Brush()->SetColor(Enabled ? clBtnFace : clBtnShadow);
      Canvas->FillRect(b);
      Canvas->Pen()->SetColor(clBtnHighlight);
      Canvas->MoveTo(b.Left, b.Bottom - 1);
      Canvas->LineTo(b.Left, b.Top);
      Canvas->LineTo(b.Right - 1, b.Top);
      Canvas->Pen()->SetColor(clBtnShadow);
      Canvas->LineTo(b.Right - 1, b.Bottom - 1);
      Canvas->LineTo(b.Left, b.Bottom - 1);
      if (Checked) {
        Canvas->Pen()->SetColor(Enabled ? FControlLook->Color() : clGray);
        const int mid = b.Top + s / 2;
        Canvas->MoveTo(b.Left + 2, mid);
        Canvas->LineTo(b.Left + 2, b.Bottom - 1);
        Canvas->MoveTo(b.Left + 3, mid);
        Canvas->LineTo(b.Left + 3, b.Bottom - 1);
        Canvas->MoveTo(b.Left + 2, b.Bottom - 1);
        Canvas->LineTo(b.Right - 2, b.Top + 3);
        Canvas->MoveTo(b.Left + 3, b.Bottom - 1);
        Canvas->LineTo(b.Right - 1, b.Top + 3);
      }
      break;
    }
    case TControlLook::csGlyph: {
      TBitmap* glyph = Checked ? FControlLook->CheckedGlyph() : FControlLook->UnCheckedGlyph();
      if (glyph != nullptr && !glyph->Empty()) DrawKeyed(Canvas, r.Left, r.Top, glyph, true);
      break;
    }
    default: {
      // Classic, flat and (without visual themes) the platform theme: the
      // frame control in a box of CheckSize centred in the rectangle.
      const int s = int(Round(FControlLook->CheckSize() * GetDPIScale()));
      const int x = r.Left + (r.Width() - s) / 2;
      const int y = r.Top + (r.Height() - s) / 2;
      RECT box{x, y, x + s, y + s};
      UINT state = DFCS_BUTTONCHECK;
      if (Checked || Grayed) state |= DFCS_CHECKED;
      if (Grayed) state |= DFCS_BUTTON3STATE;
      if (Style == TControlLook::csFlat) state |= DFCS_FLAT;
      if (!Enabled) state |= DFCS_INACTIVE;
      ::DrawFrameControl(Canvas->Handle(), &box, DFC_BUTTON, state);
      break;
    }
  }
}

void TKitStringGrid::DrawRadioButton(TCanvas* Canvas, const TRect& ARect, bool Reverse, double Scale, TStyle Style,
                                     int ARow, int ACol, bool Selected, TStrings* Items, bool Disabled,
                                     bool SideBySide, int CheckedIndex, int Count) {
  if (FControlLook->NoDisabledCheckRadioLook() || FControlLook->RadioAlwaysActive()) Disabled = false;
  if (Style == TControlLook::csTheme && !IsThemeActive()) Style = TControlLook::csClassic;
  const int size = Style > TControlLook::csFlat ? 16 : FControlLook->RadioSize();
  const int pitch = std::max(size, Canvas->TextHeight(QStringLiteral("gh")));
  const QString cellText = ACol >= 0 && ARow >= 0 ? GetCellEx(ACol, ARow) : QString();
  if (Selected && IsSelectionVisible() && FSelectionTextColor != clNone) Canvas->Font()->SetColor(FSelectionTextColor);
  ::SetBkMode(Canvas->Handle(), TRANSPARENT);

  auto drawButton = [&](int X, int Y, bool Checked) {
    switch (Style) {
      case TControlLook::csWinXP:
      case TControlLook::csVDX: {
        const bool vdx = Style == TControlLook::csVDX;
        const int n = (vdx ? 1 : 5) + (Checked ? 0 : 1) + (Disabled ? 2 : 0);
        DrawGlyph(Canvas, X, Y, QStringLiteral("KSGRAD%1").arg(n, 2, 10, QChar(u'0')));
        break;
      }
      case TControlLook::csQuarvel: {
        const TPoint outer[] = {TPoint(X + 8, Y + 2), TPoint(X + 14, Y + 8), TPoint(X + 8, Y + 14), TPoint(X + 2, Y + 8)};
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->Brush()->SetColor(clBtnFace);
        Canvas->Pen()->SetColor(Checked ? clWhite : clGray);
        Canvas->Polygon(outer);
        Canvas->Pen()->SetColor(Checked ? clGray : clWhite);
        Canvas->MoveTo(X + 8, Y + 14);
        Canvas->LineTo(X + 14, Y + 8);
        if (Checked) {
          Canvas->Brush()->SetColor(FControlLook->Color());
          Canvas->Pen()->SetColor(FControlLook->Color());
          Canvas->Polygon({TPoint(X + 8, Y + 5), TPoint(X + 11, Y + 8), TPoint(X + 8, Y + 11), TPoint(X + 5, Y + 8)});
        }
        break;
      }
      case TControlLook::csGlyph: {
        TBitmap* glyph = Checked ? FControlLook->RadioOnGlyph() : FControlLook->RadioOffGlyph();
        if (glyph != nullptr && !glyph->Empty()) DrawKeyed(Canvas, X, Y, glyph, true);
        break;
      }
      default: {
        const int s = int(Round((Style == TControlLook::csFlat ? FControlLook->RadioSize() + 2 : size) * Scale));
        RECT box{X, Y, X + s, Y + s};
        UINT state = DFCS_BUTTONRADIO;
        if (Style == TControlLook::csFlat) state |= DFCS_FLAT;
        if (Disabled) state |= DFCS_INACTIVE;
        if (Checked) state |= DFCS_CHECKED;
        ::DrawFrameControl(Canvas->Handle(), &box, DFC_BUTTON, state);
        break;
      }
    }
  };

  int x = ARect.Left + 2;
  for (int i = 1; i <= Count; ++i) {
    const QString item = Items != nullptr && i - 1 < Items->Count() ? Items->Strings(i - 1) : QString();
    const bool checked = CheckedIndex == -1 ? (!item.isEmpty() && item == cellText) : i == CheckedIndex + 1;
    const int tw = item.isEmpty() ? 0 : Canvas->TextWidth(item);
    if (SideBySide) {
      const int y = ARect.Top + (ARect.Height() - size) / 2;
      const int ty = ARect.Top + (ARect.Height() - Canvas->TextHeight(QStringLiteral("gh"))) / 2;
      if (FControlLook->RadioRange() && i == 1 && !item.isEmpty()) {
        Canvas->TextOut(x, ty, item);
        drawButton(x + tw + 2, y, checked);
        x += tw + 2 + size + 4;
      } else {
        drawButton(x, y, checked);
        if (!item.isEmpty()) Canvas->TextOut(x + size + 2, ty, item);
        x += size + 2 + tw + 4;
      }
    } else {
      const int y = ARect.Top + 2 + (i - 1) * pitch;
      if (item.isEmpty() && Count == 1) {
        drawButton(ARect.Left + (ARect.Width() - size) / 2, y, checked);
      } else if (Reverse) {
        drawButton(ARect.Right - size - 2, y, checked);
        Canvas->TextOut(ARect.Right - size - 4 - tw, y, item);
      } else {
        drawButton(x, y, checked);
        Canvas->TextOut(x + size + 2, y, item);
      }
    }
  }
}

// ---------------------------------------------------------------------------
// The graphic step

void TKitStringGrid::DrawCellGraphic(TCellPaintContext& Ctx, TRect& ARect) {
  TCellGraphic* g = Ctx.Layout.Graphic;
  if (g == nullptr) return;
  TCanvas* canvas = Ctx.Canvas;
  const TCellType type = g->CellType();
  const int rc = Ctx.RealCol;
  const int row = Ctx.Row;
  const int w = Ctx.Layout.Width;
  const int h = Ctx.Layout.Height;
  const double dpi = GetDPIScale();
  const TColor savedBrush = canvas->Brush()->Color();

  // 1. The margins (not for nodes and progress kinds).
  TRect r = ARect;
  if (type != ctNode && type != ctProgress && type != ctRangeIndicator && type != ctXPProgress) {
    r.Left += FXYOffset.X - 1;
    r.Right -= FXYOffset.X - 1;
    r.Top += FXYOffset.Y - 1;
    r.Bottom -= FXYOffset.Y - 1;
  }
  const int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
  const int tw = Ctx.TextWidth > 0 ? Ctx.TextWidth : 0;

  // 2. Horizontal place.
  int left = L + 1;
  switch (Ctx.Layout.HAlign) {
    case haLeft: left = L + 1; break;
    case haRight: left = R - 1 - w; break;
    case haCenter: left = w < R - L ? L + (R - L - w) / 2 : L + 1; break;
    case haBeforeText:
      if (Ctx.HAlign == taRightJustify) left = R - tw - w;
      else if (Ctx.HAlign == taCenter) left = L + (R - L - tw - w) / 2;
      else left = L + 1;
      if (left < L) left = L + 1;
      break;
    case haAfterText:
      if (Ctx.HAlign == taRightJustify) left = R - 1 - w;
      else if (Ctx.HAlign == taCenter) left = L + tw + (R - L - tw - w) / 2;
      else left = L + tw;
      if (left < L) left = L + 1;
      break;
    case haFull: left = L; break;
  }
  int right = Ctx.Layout.HAlign == haFull ? R : left + w;

  // 3. Vertical place; boxes follow the cell's own alignment where it
  // differs from the grid's.
  TCellVAlign va = Ctx.Layout.VAlign;
  if (IsCheckKind(type) && Ctx.VAlign != FVAlignment)
    va = Ctx.VAlign == vtaTop ? vaTop : (Ctx.VAlign == vtaCenter ? vaCenter : vaBottom);
  int top = T + 1;
  switch (va) {
    case vaTop: top = T + 1; break;
    case vaBottom: top = B - 1 - h; break;
    case vaCenter: top = h < B - T ? T + (B - T - h) / 2 : T + 1; break;
    case vaUnderText: top = B - h; break;
    case vaAboveText: top = T + 1; break;
    case vaFull: top = T; break;
  }
  int bottom = va == vaFull ? B : top + h;

  bool editable = true;
  auto askEditable = [&] {
    editable = true;
    IsCellEditable(rc, row, editable);
    return editable;
  };
  const TStyle style = FControlLook->ControlStyle();

  switch (type) {
    case ctBitmap:
      if (auto* bmp = dynamic_cast<TBitmap*>(g->CellBitmap())) DrawKeyed(canvas, left, top, bmp, g->CellTransparent());
      break;
    case ctIcon:
      if (auto* icon = dynamic_cast<TGraphic*>(g->CellIcon())) canvas->Draw(left, top, icon);
      break;
    case ctImageList:
      if (TCustomImageList* images = GetGridImages())
        if (g->CellIndex() >= 0 && g->CellIndex() < images->Count()) images->Draw(canvas, left, top, g->CellIndex());
      break;
    case ctDataImage:
      if (TCustomImageList* images = GetGridImages()) {
        bool ok = false;
        const int idx = GetCellEx(rc, row).trimmed().toInt(&ok);
        if (ok && idx >= 0 && idx < images->Count()) images->Draw(canvas, left, top, idx);
      }
      break;
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
    case ctTriStateCheckBox:
    case ctRadioButton: {
      if (OnGetAlignment) {
        TAlignment ha = Ctx.HAlign;
        const bool besideText = type == ctCheckBox || type == ctTriStateCheckBox || type == ctRadioButton;
        const int textRight = besideText ? R - tw : R;
        if (ha == taRightJustify) left = std::max(L + 1, textRight - w - 1);
        else if (ha == taCenter)
          left = std::max(L + 1, besideText && tw > 0 ? L + std::max(0, R - tw - L) / 2 - w
                                                      : L + std::max(0, R - w - L) / 2);
        else left = L + 1;
        right = left + w;
      }
      askEditable();
      if (type == ctRadioButton) {
        const int s = FControlLook->RadioSize();
        const TRect box(left + FXYOffset.X, top, left + FXYOffset.X + s, top + s);
        DrawRadioButton(canvas, box, false, dpi, style, -1, -1, false, nullptr, !editable, false,
                        g->CellBoolean() ? 0 : -2, 1);
        break;
      }
      const TRect box(left, top, right, bottom);
      if (type == ctTriStateCheckBox) {
        DrawCheckBox(canvas, box, false, g->CellCheckBoxState(), true, style, false, editable);
      } else if (type == ctDataCheckBox || type == ctVirtCheckBox) {
        QString checkTrue;
        GetCheckTrue(rc, row, checkTrue);
        DrawCheckBox(canvas, box, GetCellEx(rc, row) == checkTrue, cbUnchecked, false, style, false, editable);
      } else {
        DrawCheckBox(canvas, box, g->CellBoolean(), cbUnchecked, false, style, g->CellAngle() > 0, editable);
      }
      break;
    }
    case ctRadio: {
      auto* items = dynamic_cast<TStrings*>(g->CellBitmap());
      const int count = items ? items->Count() : 0;
      const bool selected = Ctx.State.Contains(gdSelected);
      DrawRadioButton(canvas, r, false, dpi, style, row, rc, selected, items, !askEditable(), g->CellBoolean(),
                      g->CellIndex(), count);
      break;
    }
    case ctRotated:
      DrawRotatedText(Ctx, r, g->CellAngle());
      break;
    case ctNode:
      DrawNodeGlyph(Ctx, ARect);
      break;
    case ctImages:
      if (TCustomImageList* images = GetGridImages())
        if (TIntList* list = g->CellImageList()) {
          int x = left, y = top;
          for (int i = 0; i < list->Count(); ++i) {
            const int idx = list->Items(i);
            if (idx >= 0 && idx < images->Count()) images->Draw(canvas, x, y, idx);
            if (g->CellBoolean()) x += images->Width();
            else y += images->Height();
          }
        }
      break;
    case ctPicture:
      if (auto* pic = dynamic_cast<TPicture*>(g->CellBitmap()); pic != nullptr && pic->Graphic() != nullptr) {
        TRect pr(left, top, right, bottom);
        if (!Options().Contains(goVertLine)) pr.Left -= 1;
        if (!Options().Contains(goHorzLine)) pr.Top -= 2;
        if (g->CellAngle() != 0) canvas->StretchDraw(pr, pic->Graphic());
        else canvas->Draw(pr.Left, pr.Top, pic->Graphic());
      }
      break;
    case ctFilePicture:
      if (auto* fp = dynamic_cast<TFilePicture*>(g->CellBitmap())) fp->DrawPicture(canvas, TRect(left, top, right, bottom));
      break;
    case ctProgress: {
      const double value = Floats(rc, row);
      const int minimum = g->CellErrFrom();
      const int maximum = g->CellErrLen();
      TRect pr = r;
      const int ph = int(Round(FControlLook->ProgressHeight() * dpi));
      if ((style == TControlLook::csWinXP || style == TControlLook::csTheme) && FControlLook->ProgressXP()) {
        TRect bar(r.Left + FControlLook->ProgressMarginX(), r.Top + FControlLook->ProgressMarginY(),
                  r.Right - FControlLook->ProgressMarginX(), r.Bottom - FControlLook->ProgressMarginY());
        TRect inner(bar.Left + 2, bar.Top + 2, bar.Right - 2, bar.Bottom - 2);
        if (FControlLook->ProgressHeight() > 0) inner = TRect(r.Left + 2, r.Top + 2, r.Right - 2, r.Top + 2 + ph);
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(0xF4F4F4);
        canvas->Pen()->SetColor(0xB2B2B2);
        canvas->Rectangle(bar);
        const int range = maximum - minimum;
        const int percent = range == 0 ? 0 : ClampPercent(int(Round((value - minimum) * 100.0 / range)));
        canvas->Brush()->SetColor(0x06B025);
        canvas->FillRect(TRect(inner.Left, inner.Top, inner.Left + inner.Width() * percent / 100, inner.Bottom));
        break;
      }
      if (FControlLook->ProgressHeight() > 0) pr = TRect(r.Left + 2, r.Top + 2, r.Right - 2, r.Top + 2 + ph);
      else pr = TRect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2);
      TColor fg = g->CellBitmapColor();
      TColor bk = g->CellIconColor();
      TColor fgText = g->CellBoolean() ? TColor(g->CellIndex()) : TColor(ColorToRGB(fg) ^ 0xFFFFFF);
      TColor bkText = g->CellBoolean() ? TColor(g->CellAngle()) : TColor(ColorToRGB(bk) ^ 0xFFFFFF);
      GetProgressColor(rc, row, fg, bk, fgText, bkText);
      const int divider = std::max(1, int(Round(g->CellValue() == 0 ? 1 : g->CellValue())));
      // The margins move the bar in; DrawProgressBar works on the strip.
      DrawProgressBar(canvas, pr, fg, false, FControlLook->ProgressBorderColor(), g->CellText(), divider,
                      maximum == minimum ? minimum + 1 : maximum, minimum, 0, 0, value, bkText, bk, fgText);
      break;
    }
    case ctButton:
    case ctBitButton:
    case ctVirtButton:
    case ctExpand:
      DrawGraphicButton(Ctx, g, ARect, TRect(left, top, right, bottom));
      break;
    case ctProgressPie:
      DrawProgressPie(canvas, TRect(left, top, left + 20, top + 20), TColor(g->CellErrFrom()), false,
                      ClampPercent(g->CellAngle()));
      break;
    case ctRangeIndicator: {
      const TRect ir(r.Left + FControlLook->ProgressMarginX(), r.Top + FControlLook->ProgressMarginY(),
                     r.Right - FControlLook->ProgressMarginX(), r.Bottom - FControlLook->ProgressMarginY());
      DrawRangeIndicator(canvas, ir, Ints(rc, row), g->CellIconColor(), g->CellBitmapColor(), g->CellBoolean(),
                         g->CellIndex());
      break;
    }
    case ctXPProgress: {
      TGridProgressAppearance* pa = FProgressAppearance.get();
      const int minimum = g->CellErrFrom();
      const int range = g->CellErrLen() - minimum;
      const int value = Ints(rc, row);
      const int percent = range == 0 ? 0 : int(Round(std::abs(value - minimum) * 100.0 / range));
      const TRect pr(r.Left + FControlLook->ProgressMarginX(), r.Top + FControlLook->ProgressMarginY(),
                     r.Right - FControlLook->ProgressMarginX() - 1, r.Bottom - FControlLook->ProgressMarginY() - 1);
      const TColor back = pa->UnCompleteColor() == clNone ? canvas->Brush()->Color() : pa->UnCompleteColor();
      DrawCellProgress(canvas, pr, ClampPercent(percent), pa, back, false, canvas->Font(), canvas->Font()->Color());
      break;
    }
    case ctInterface:
      if (auto* cellObject = dynamic_cast<IGridCell*>(g->CellBitmap()))
        cellObject->Draw(canvas, TRect(ARect.Left - 1, ARect.Top - 1, ARect.Right, ARect.Bottom), this,
                         Ctx.State.Contains(gdSelected), row, rc);
      break;
    case ctShape:
      DrawCellShape(canvas, left, top, g->CellBitmapColor(), TColor(g->CellIndex()), TCellShape(g->CellAngle() & 0xFF),
                    h - 1, w - 1);
      break;
    case ctRating: {
      const double v = std::trunc(Floats(rc, row) * 2) / 2;
      int x = left;
      for (int i = 1; i <= g->CellAngle(); ++i, x += 18) {
        const TColor colour = v >= i ? TColor(g->CellIndex()) : g->CellBitmapColor();
        DrawCellShape(canvas, x, top, colour, colour, csStar, 16, 16);
        if (v > i - 1 && v < i) DrawCellShape(canvas, x, top, TColor(g->CellIndex()), TColor(g->CellIndex()),
                                              csHalfStar, 16, 16);
      }
      break;
    }
    case ctDataPicture:
      if (TGraphic* picture = FPictureContainer ? FPictureContainer->FindPicture(GetCellEx(rc, row)) : nullptr)
        canvas->Draw(left, top, picture);
      break;
    default:
      break;
  }

  // The comment mark in the top-right corner.
  const bool pictureHint = type == ctPicture && !g->CellText().isEmpty();
  if (!g->CellComment().isEmpty() || pictureHint) {
    TColor color = FControlLook->CommentColor();
    if (!g->CellComment().isEmpty() && g->CommentColor() != clNone && g->CellIndex() != clNone) color = g->CommentColor();
    if (color != clNone) {
      const int X = FXYOffset.X, Y = FXYOffset.Y;
      canvas->Brush()->SetStyle(bsSolid);
      canvas->Brush()->SetColor(color);
      canvas->Pen()->SetColor(color);
      canvas->Polygon({TPoint(R + X - 8, T + 1 - Y), TPoint(R + X - 3, T + 1 - Y), TPoint(R + X - 3, T - Y + 6)});
      canvas->Brush()->SetColor(Color());
    }
  }
  if (type != ctButton && type != ctBitButton && type != ctVirtButton && type != ctExpand)
    canvas->Brush()->SetColor(savedBrush);
  ARect = r;
}

void TKitStringGrid::DrawGraphicButton(TCellPaintContext& Ctx, TCellGraphic* G, const TRect& Cell, const TRect& Box) {
  TCanvas* canvas = Ctx.Canvas;
  const TColor savedBrush = canvas->Brush()->Color();
  const TColor savedFont = canvas->Font()->Color();
  const TCellType type = G->CellType();
  canvas->Brush()->SetColor(clBtnFace);
  int state = 0;
  if (G->CellBoolean()) state = 2;
  else if (FHoverButtonCell.X == Ctx.DisplCol && FHoverButtonCell.Y == Ctx.Row) state = 1;
  if (type != ctExpand && !FControlLook->NoDisabledButtonLook()) {
    bool editable = true;
    IsCellEditable(Ctx.RealCol, Ctx.Row, editable);
    if (!editable) state = 3;
  }
  int kind = FControlLook->FlatButton() ? 2 : (IsThemeActive() ? 0 : 1);
  if (FFlat && FColorTones.Background.BrushColor != clNone) kind = 3;
  TRect b = Box;
  if (type == ctExpand) b = TRect(Cell.Right - 13, Cell.Top, Cell.Right, Cell.Top + 13);
  const bool styled = GetUseKWFStyles() && TStyleManager::IsCustomStyleActive();
  if (styled) {
    const TThemedButton element = state == 1   ? tbPushButtonHot
                                  : state == 2 ? tbPushButtonPressed
                                  : state == 3 ? tbPushButtonDisabled
                                               : tbPushButtonNormal;
    const TCustomStyleServices& style = TStyleManager::ActiveStyle();
    const auto details = TCustomStyleServices::GetElementDetails(element);
    const RECT rc{b.Left, b.Top, b.Right, b.Bottom};
    style.DrawElement(canvas->Handle(), details, rc);
    TColor text = clNone;
    canvas->Font()->SetColor(style.GetElementColor(details, ecTextColor, text) && text != clNone ? text
                                                                                                 : Font()->Color());
  } else {
    DrawCellButton(canvas, this, b, QString(), FControlLook->ButtonPrefix(), FColorTones, state, kind);
  }
  // Where the button was painted, for its hit rectangle.
  const int dx = std::clamp(b.Left - Cell.Left, 0, 0xFFFF);
  const int dy = std::clamp(b.Top - Cell.Top, 0, 0xFFFF);
  G->SetCellValue(double(uint32_t(dy) << 16 | uint32_t(dx)));

  TRect content = b;
  if (state == 2) content = TRect(b.Left + 1, b.Top + 1, b.Right + 1, b.Bottom + 1);
  if (styled) {
    // the element's text colour, set above
  } else if (kind == 3)
    canvas->Font()->SetColor(state == 1   ? FColorTones.Hover.TextColor
                             : state == 2 ? FColorTones.Selected.TextColor
                             : state == 3 ? FColorTones.Disabled.TextColor
                                          : FColorTones.Background.TextColor);
  else if (state == 3)
    canvas->Font()->SetColor(clGrayText);
  if (type == ctExpand) {
    canvas->Pen()->SetColor(clBlack);
    const int R = Cell.Right, T = Cell.Top;
    if (!G->CellVar().toBool()) canvas->Polyline({TPoint(R - 10, T + 8), TPoint(R - 7, T + 5), TPoint(R - 3, T + 9)});
    else canvas->Polyline({TPoint(R - 10, T + 5), TPoint(R - 7, T + 8), TPoint(R - 3, T + 4)});
  } else {
    QString caption = G->CellText();
    if (type == ctBitButton)
      if (auto* glyph = dynamic_cast<TBitmap*>(G->CellBitmap()); glyph != nullptr && !glyph->Empty()) {
        const int gy = glyph->Height() >= content.Height() ? content.Top + 3
                                                           : content.Top + (content.Height() - glyph->Height()) / 2;
        if (caption.isEmpty()) {
          DrawKeyed(canvas, content.Left + (content.Width() - glyph->Width()) / 2, gy, glyph, true);
        } else {
          DrawKeyed(canvas, content.Left + 3, gy, glyph, true);
          content.Left += 3 + glyph->Width() + 4;
        }
      }
    if (!caption.isEmpty()) {
      content.Left += 1;
      ::SetBkMode(canvas->Handle(), TRANSPARENT);
      const QString upper = caption.toUpper();
      if (upper.contains(QLatin1String("</")) || upper.contains(QLatin1String("<I"))) {
        TMiniHtmlDrawParams params;
        params.ScaleFactor = GetDPIScale();
        TMiniHtmlDrawResult result;
        DrawMiniHtml(canvas, caption, content, params, result);
      } else {
        TTextFormat format{tfCenter, tfVerticalCenter, tfEndEllipsis};
        format.Include(caption.contains(u'\n') ? tfWordBreak : tfSingleLine);
        if (!FControlLook->ButtonPrefix()) format.Include(tfNoPrefix);
        canvas->Brush()->SetStyle(bsClear);
        canvas->TextRect(content, caption, format);
        canvas->Brush()->SetStyle(bsSolid);
      }
    }
  }
  canvas->Font()->SetColor(savedFont);
  canvas->Brush()->SetColor(savedBrush);
}

void TKitStringGrid::DrawRotatedText(TCellPaintContext& Ctx, TRect R, int Angle) {
  TCanvas* canvas = Ctx.Canvas;
  const QString text = GetFormattedCell(Ctx.RealCol, Ctx.Row);
  if (!text.isEmpty()) DrawRotatedLines(Ctx, R, Angle, text);
  // A rotated header of the sort column shows the sort marker at the
  // top-right corner of its text area, whatever way its text runs.
  const TRect area(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1);
  if (ShowsSortIndicator(Ctx)) DrawSortIndicator(canvas, Ctx.RealCol, area.Top + 8, area.Right - 10);
}

void TKitStringGrid::DrawRotatedLines(TCellPaintContext& Ctx, TRect R, int Angle, const QString& Text) {
  TCanvas* canvas = Ctx.Canvas;
  QStringList lines = Text.split(u'\n');
  for (QString& l : lines) l.remove(u'\r');
  const bool multi = (FMultilinecells || Ctx.WordWrap) && lines.size() > 1 && (Angle == 90 || Angle == 270);
  if (!multi) lines = QStringList{lines.first()};
  const QString measure = multi ? LongestLine(canvas, Text) : lines.first();
  const int lineHeight = canvas->TextHeight(QStringLiteral("gh"));
  const int textWidth = canvas->TextWidth(measure);
  const int total = lineHeight * int(lines.size());
  // The rotated block's bounding box placed by the cell's alignments; the
  // text origin is the unrotated top-left corner.
  const double a = Angle * M_PI / 180.0;
  const double c = std::cos(a), s = std::sin(a);
  const QPointF corners[] = {{0, 0}, {double(textWidth), 0}, {0, double(total)}, {double(textWidth), double(total)}};
  double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
  for (const QPointF& p : corners) {
    const double x = p.x() * c + p.y() * s;
    const double y = -p.x() * s + p.y() * c;
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
  }
  R = TRect(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1);
  const double bw = maxX - minX, bh = maxY - minY;
  double bx = R.Left, by = R.Top;
  if (Ctx.HAlign == taRightJustify) bx = R.Right - bw;
  else if (Ctx.HAlign == taCenter) bx = R.Left + (R.Width() - bw) / 2;
  if (Ctx.VAlign == vtaBottom) by = R.Bottom - bh;
  else if (Ctx.VAlign == vtaCenter) by = R.Top + (R.Height() - bh) / 2;
  TFont saved;
  saved.Assign(canvas->Font());
  canvas->Font()->SetOrientation(Angle * 10);
  canvas->Brush()->SetStyle(bsClear);
  for (int i = 0; i < lines.size(); ++i) {
    // Line i starts i line heights down the unrotated block.
    const double ox = bx - minX + i * lineHeight * s;
    const double oy = by - minY + i * lineHeight * c;
    canvas->TextRect(R, int(Round(ox)), int(Round(oy)), lines[i]);
  }
  canvas->Font()->Assign(&saved);
  canvas->Brush()->SetStyle(bsSolid);
}

void TKitStringGrid::DrawNodeGlyph(TCellPaintContext& Ctx, TRect R) {
  // Nodes belong to the grouping and node operations; until those exist a
  // node cell shows the closed box of its node look.
  TCanvas* canvas = Ctx.Canvas;
  const int ni = FCellNode->NodeIndent();
  // The row's indent; a row the node operations have not indented counts
  // as the first level, so the glyph stays inside its cell.
  const int indent = std::max(GetNodeIndent(Ctx.Row), ni);
  R.Left = R.Left + indent - ni / 2 - 4;
  const bool contracted = true;
  const int cy = R.Top + R.Height() / 2;
  switch (FCellNode->NodeType()) {
    case cnLeaf: {
      const int s = int(Round(12 * GetDPIScale()));
      DrawGlyph(canvas, R.Left, cy - s / 2, contracted ? QStringLiteral("KSGLEAFCLOSE") : QStringLiteral("KSGLEAFOPEN"));
      break;
    }
    case cnXP:
      DrawGlyph(canvas, R.Left + 4 - int(Round((GetDPIScale() - 1) * 4)), cy - 5,
                contracted ? QStringLiteral("XPNODEC") : QStringLiteral("XPNODEO"));
      break;
    default: {
      const TRect box(R.Left + 4, cy - 4, R.Left + 13, cy + 5);
      canvas->Brush()->SetStyle(bsSolid);
      canvas->Brush()->SetColor(FCellNode->Color());
      canvas->Pen()->SetColor(FCellNode->NodeColor());
      canvas->Rectangle(box);
      canvas->MoveTo(box.Left + 2, box.Top + 4);
      canvas->LineTo(box.Left + 7, box.Top + 4);
      if (contracted) {
        canvas->MoveTo(box.Left + 4, box.Top + 2);
        canvas->LineTo(box.Left + 4, box.Top + 7);
      }
      break;
    }
  }
}
