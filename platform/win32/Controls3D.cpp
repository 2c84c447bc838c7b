// System colours and the classic three-dimensional drawing of user32:
// DrawEdge, DrawFrameControl and DrawFocusRect.

#include <QGuiApplication>
#include <QPainter>
#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>

#include "platform/win32/GdiInternal.h"

namespace {

constexpr int kSysColorCount = 31;

// The classic scheme.
constexpr COLORREF kClassic[kSysColorCount] = {
    RGB(212, 208, 200),  // COLOR_SCROLLBAR
    RGB(58, 110, 165),   // COLOR_BACKGROUND
    RGB(10, 36, 106),    // COLOR_ACTIVECAPTION
    RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
    RGB(212, 208, 200),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(0, 0, 0),        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
    RGB(212, 208, 200),  // COLOR_ACTIVEBORDER
    RGB(212, 208, 200),  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // COLOR_APPWORKSPACE
    RGB(10, 36, 106),    // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(212, 208, 200),  // COLOR_BTNFACE
    RGB(128, 128, 128),  // COLOR_BTNSHADOW
    RGB(128, 128, 128),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(212, 208, 200),  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(64, 64, 64),     // COLOR_3DDKSHADOW
    RGB(212, 208, 200),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(181, 181, 181),  // 25: no longer named
    RGB(0, 0, 128),      // COLOR_HOTLIGHT
    RGB(166, 202, 240),  // COLOR_GRADIENTACTIVECAPTION
    RGB(192, 192, 192),  // COLOR_GRADIENTINACTIVECAPTION
    RGB(10, 36, 106),    // COLOR_MENUHILIGHT
    RGB(212, 208, 200),  // COLOR_MENUBAR
};

std::array<std::atomic<COLORREF>, kSysColorCount>& SysColors() {
  static auto* table = [] {
    auto* t = new std::array<std::atomic<COLORREF>, kSysColorCount>;
    for (int i = 0; i < kSysColorCount; ++i) (*t)[size_t(i)] = kClassic[i];
    return t;
  }();
  return *table;
}

}  // namespace

DWORD GetSysColor(int nIndex) {
  if (nIndex < 0 || nIndex >= kSysColorCount) return 0;
  return SysColors()[size_t(nIndex)].load();
}

HBRUSH GetSysColorBrush(int nIndex) {
  auto b = gdi::SysColorBrushObject(nIndex);
  return b ? gdi::AsHandle<HBRUSH__>(b->handle) : nullptr;
}

BOOL SetSysColors(int cElements, const INT* lpaElements, const COLORREF* lpaRgbValues) {
  if (cElements < 0 || (cElements > 0 && (!lpaElements || !lpaRgbValues))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  for (int i = 0; i < cElements; ++i)
    if (lpaElements[i] >= 0 && lpaElements[i] < kSysColorCount)
      SysColors()[size_t(lpaElements[i])] = lpaRgbValues[i] & 0xFFFFFF;
  gdi::RefreshSysColorBrushes();
  return TRUE;
}

using namespace gdi;

namespace {

// Classic drawing in device pixels on one DC.
class Painter3D {
 public:
  explicit Painter3D(const std::shared_ptr<DcObject>& dc)
      : dc_(dc), access_(*dc, true),
        target_(access_.image(), dc->s.clip, R2_COPYPEN, dc->SurfaceBitmap() && dc->SurfaceBitmap()->mono) {}

  DcObject& dc() { return *dc_; }
  QImage* image() { return access_.image(); }
  const Target& target() { return target_; }

  // Pixels x0..x1, y0..y1 (inclusive).
  void Span(int x0, int y0, int x1, int y1, COLORREF c) {
    if (x1 < x0 || y1 < y0) return;
    target_.FillRect(QRect(QPoint(x0, y0), QPoint(x1, y1)), SolidSource(c));
  }
  void Box(const QRect& r, COLORREF c) { target_.FillRect(r, SolidSource(c)); }
  void Shape(const QPainterPath& p, COLORREF c) {
    target_.FillMask(PixelMask::FromPath(p, Qt::WindingFill, target_.Limit()), SolidSource(c));
  }
  void Line(QPoint a, QPoint b, COLORREF c) {
    LineWalker w(nullptr, 0, target_.Limit());
    w.Segment(a, b);
    for (const LinePixel& p : w.Pixels()) target_.Plot(p.x, p.y, ToPixel(c));
    target_.Plot(b.x(), b.y(), ToPixel(c));
  }

  // The classic edge on the half-open rectangle (l, t, r, b); moves the
  // rectangle's sides inwards past the drawn borders.
  void Edge(int& l, int& t, int& r, int& b, UINT edge, UINT flags) {
    struct Layer {
      bool on;
      COLORREF tl, br;
    } layers[2];
    const UINT outer = edge & BDR_OUTER, inner = edge & BDR_INNER;
    const bool soft = flags & BF_SOFT;
    if (flags & BF_MONO) {
      layers[0] = {outer != 0, GetSysColor(COLOR_WINDOWFRAME), GetSysColor(COLOR_WINDOWFRAME)};
      layers[1] = {inner != 0, GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOW)};
    } else if (flags & BF_FLAT) {
      layers[0] = {outer != 0, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW)};
      layers[1] = {inner != 0, GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNFACE)};
    } else {
      if (outer & BDR_RAISEDOUTER)
        layers[0] = {true, GetSysColor(soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT), GetSysColor(COLOR_3DDKSHADOW)};
      else if (outer & BDR_SUNKENOUTER)
        layers[0] = {true, GetSysColor(soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT)};
      else
        layers[0] = {false, 0, 0};
      if (inner & BDR_RAISEDINNER)
        layers[1] = {true, GetSysColor(soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW)};
      else if (inner & BDR_SUNKENINNER)
        layers[1] = {true, GetSysColor(soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT)};
      else
        layers[1] = {false, 0, 0};
    }
    for (const Layer& layer : layers) {
      if (!layer.on || r <= l || b <= t) continue;
      // Top and left in the light colour; right and bottom (with the
      // top-right and bottom-left corners) in the dark one.
      if (flags & BF_LEFT) Span(l, t, l, (flags & BF_BOTTOM) ? b - 2 : b - 1, layer.tl);
      if (flags & BF_TOP) Span(l, t, (flags & BF_RIGHT) ? r - 2 : r - 1, t, layer.tl);
      if (flags & BF_RIGHT) Span(r - 1, t, r - 1, b - 1, layer.br);
      if (flags & BF_BOTTOM) Span(l, b - 1, r - 1, b - 1, layer.br);
      if (flags & BF_LEFT) ++l;
      if (flags & BF_TOP) ++t;
      if (flags & BF_RIGHT) --r;
      if (flags & BF_BOTTOM) --b;
    }
    if ((flags & BF_MIDDLE) && r > l && b > t)
      Span(l, t, r - 1, b - 1, GetSysColor((flags & (BF_MONO | BF_FLAT)) ? COLOR_WINDOW : COLOR_BTNFACE));
  }

  void Diagonal(int l, int t, int r, int b, UINT edge, UINT flags) {
    // A line from the start corner to the end corner named by the flags, one
    // per border layer, the inner one a pixel further in.
    const bool endTop = flags & BF_TOP, endRight = flags & BF_RIGHT;
    const bool raised = edge & (BDR_RAISEDOUTER | BDR_RAISEDINNER);
    QPoint a(endRight ? l : r - 1, endTop ? b - 1 : t);
    QPoint e(endRight ? r - 1 : l, endTop ? t : b - 1);
    const COLORREF c1 = GetSysColor(raised ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW);
    const COLORREF c2 = GetSysColor(raised ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
    if (flags & BF_MIDDLE) {
      QPainterPath p;
      p.moveTo(a);
      p.lineTo(e);
      p.lineTo(endRight ? QPoint(r, endTop ? b : t) : QPoint(l, endTop ? b : t));
      p.closeSubpath();
      Shape(p, GetSysColor(COLOR_BTNFACE));
    }
    if (edge & BDR_OUTER) Line(a, e, c1);
    if (edge & BDR_INNER) Line(a + QPoint(0, endTop ? -1 : 1), e + QPoint(endRight ? -1 : 1, 0), c2);
  }

  // A filled disc inscribed in the pixel square (x, y, s, s).
  static QPainterPath Disc(double x, double y, double s) {
    QPainterPath p;
    p.addEllipse(QRectF(x - 0.5, y - 0.5, s, s));
    return p;
  }

  // The arrow of a scroll button pointing in dir (0 up, 1 down, 2 left,
  // 3 right), centred on c.
  void Arrow(QPoint c, int size, int dir, COLORREF color) {
    const int ah = std::max(2, size / 4 + 1), aw = 2 * ah - 1;
    for (int i = 0; i < ah; ++i) {
      const int half = (aw - 1) / 2 - i;
      // The widest row at the base: the top for down and right arrows.
      const int row = dir == 1 || dir == 3 ? -ah / 2 + i : ah / 2 - i;
      if (dir < 2) Span(c.x() - half, c.y() + row, c.x() + half, c.y() + row, color);
      else Span(c.x() + row, c.y() - half, c.x() + row, c.y() + half, color);
    }
  }

  // A tick in the glyph box (x, y, n, n), three pixels thick at 7 x 7.
  void Tick(int x, int y, int n, COLORREF c) {
    const int thick = std::max(1, (n * 3 + 6) / 7);
    const QPoint p0(x, y + (n * 2) / 7), p1(x + (n * 2) / 7, y + (n * 4) / 7), p2(x + n - 1, y);
    for (int k = 0; k < thick; ++k) {
      Line(p0 + QPoint(0, k), p1 + QPoint(0, k), c);
      Line(p1 + QPoint(0, k), p2 + QPoint(0, k), c);
    }
  }

 private:
  std::shared_ptr<DcObject> dc_;
  SurfaceAccess access_;
  Target target_;
};

QRect DeviceRect(const DcObject& dc, const RECT& r) {
  return dc.Map().MapRect(r.left, r.top, r.right, r.bottom);
}

void WriteBack(const DcObject& dc, LPRECT rc, int l, int t, int r, int b) {
  const Mapping m = dc.Map();
  const QPointF a = m.Unmap(l, t), c = m.Unmap(r, b);
  rc->left = LONG(std::lround(std::min(a.x(), c.x())));
  rc->top = LONG(std::lround(std::min(a.y(), c.y())));
  rc->right = LONG(std::lround(std::max(a.x(), c.x())));
  rc->bottom = LONG(std::lround(std::max(a.y(), c.y())));
}

void DrawButtonCheck(Painter3D& p, const QRect& d, UINT state) {
  const int s = std::min(d.width(), d.height());
  if (s <= 0) return;
  const int x = d.left() + (d.width() - s) / 2, y = d.top() + (d.height() - s) / 2;
  int l = x, t = y, r = x + s, b = y + s;
  const bool inactive = state & DFCS_INACTIVE;
  if (state & (DFCS_FLAT | DFCS_MONO)) {
    p.Edge(l, t, r, b, BDR_SUNKENOUTER, BF_RECT | ((state & DFCS_MONO) ? BF_MONO : BF_FLAT));
  } else {
    p.Edge(l, t, r, b, EDGE_SUNKEN, BF_RECT);
  }
  p.Span(l, t, r - 1, b - 1, GetSysColor((inactive || (state & DFCS_PUSHED)) ? COLOR_BTNFACE : COLOR_WINDOW));
  if (state & DFCS_CHECKED) {
    const int n = std::max(1, std::min(r - l, b - t) - 2);
    const bool grey = inactive || (state & DFCS_BUTTON3STATE);
    p.Tick(l + 1, t + 1, n, GetSysColor(grey ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT));
  }
}

void DrawButtonRadio(Painter3D& p, const QRect& d, UINT state) {
  const int s = std::min(d.width(), d.height());
  if (s <= 0) return;
  const double x = d.left() + (d.width() - s) / 2, y = d.top() + (d.height() - s) / 2;
  if ((state & 0xFF) == DFCS_BUTTONRADIOMASK) {
    p.Span(int(x), int(y), int(x) + s - 1, int(y) + s - 1, RGB(255, 255, 255));
    p.Shape(Painter3D::Disc(x, y, s), RGB(0, 0, 0));
    return;
  }
  const bool inactive = state & DFCS_INACTIVE;
  const QPointF c(x + (s - 1) / 2.0, y + (s - 1) / 2.0);
  const PixelMask outer = PixelMask::FromPath(Painter3D::Disc(x, y, s), Qt::WindingFill, p.target().Limit());
  const PixelMask ring2 = PixelMask::FromPath(Painter3D::Disc(x + 1, y + 1, s - 2), Qt::WindingFill, p.target().Limit());
  const PixelMask inside = PixelMask::FromPath(Painter3D::Disc(x + 2, y + 2, s - 4), Qt::WindingFill, p.target().Limit());
  const bool flat = state & (DFCS_FLAT | DFCS_MONO);
  const COLORREF o1 = GetSysColor(flat ? ((state & DFCS_MONO) ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW) : COLOR_BTNSHADOW);
  const COLORREF o2 = flat ? o1 : GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF i1 = GetSysColor(COLOR_3DDKSHADOW), i2 = GetSysColor(COLOR_3DLIGHT);
  const COLORREF face = GetSysColor((inactive || (state & DFCS_PUSHED)) ? COLOR_BTNFACE : COLOR_WINDOW);
  const QRect box = outer.Bounds();
  for (int py = box.top(); py <= box.bottom(); ++py)
    for (int px = box.left(); px <= box.right(); ++px) {
      if (!outer.Test(px, py)) continue;
      const bool upperLeft = (px - c.x()) + (py - c.y()) < 0;
      COLORREF col;
      if (!ring2.Test(px, py)) col = upperLeft ? o1 : o2;
      else if (!inside.Test(px, py)) col = flat ? face : (upperLeft ? i1 : i2);
      else col = face;
      p.Span(px, py, px, py, col);
    }
  if (state & DFCS_CHECKED) {
    const double dot = std::max(2.0, std::round(s / 3.0));
    p.Shape(Painter3D::Disc(c.x() - (dot - 1) / 2, c.y() - (dot - 1) / 2, dot),
            GetSysColor(inactive ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
  }
}

// The face of push, scroll and caption buttons; returns the content box.
QRect ButtonFace(Painter3D& p, const QRect& d, UINT state, bool scroll) {
  int l = d.left(), t = d.top(), r = d.right() + 1, b = d.bottom() + 1;
  const bool down = state & (DFCS_PUSHED | DFCS_CHECKED);
  if (state & DFCS_MONO) {
    p.Edge(l, t, r, b, BDR_SUNKENOUTER, BF_RECT | BF_MONO | BF_MIDDLE);
  } else if ((state & DFCS_FLAT) || (scroll && (state & DFCS_PUSHED))) {
    p.Edge(l, t, r, b, BDR_SUNKENOUTER, BF_RECT | BF_FLAT);
    p.Span(l, t, r - 1, b - 1, GetSysColor(COLOR_BTNFACE));
  } else if (down) {
    p.Edge(l, t, r, b, EDGE_SUNKEN, BF_RECT | BF_SOFT | BF_MIDDLE);
    if ((state & DFCS_CHECKED) && !(state & DFCS_PUSHED)) p.Span(l, t, r - 1, b - 1, GetSysColor(COLOR_3DLIGHT));
  } else {
    p.Edge(l, t, r, b, EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE);
  }
  return QRect(QPoint(l, t), QPoint(r - 1, b - 1));
}

// Draws a glyph in the button text colour, or greyed (with its highlight
// shadow) when inactive; the glyph painter gets an offset.
template <class F>
void Glyph(Painter3D& p, UINT state, F&& draw) {
  const QPoint shift = (state & DFCS_PUSHED) ? QPoint(1, 1) : QPoint(0, 0);
  if (state & DFCS_INACTIVE) {
    draw(shift + QPoint(1, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    draw(shift, GetSysColor(COLOR_BTNSHADOW));
  } else {
    draw(shift, GetSysColor(COLOR_BTNTEXT));
  }
}

void DrawCaptionGlyph(Painter3D& p, const QRect& face, UINT state) {
  const int s = std::min(face.width(), face.height());
  const int g = std::max(3, s - 2 * std::max(1, s / 4));  // glyph box size
  const int gx = face.left() + (face.width() - g) / 2, gy = face.top() + (face.height() - g) / 2;
  const int thick = std::max(1, g / 6);
  const UINT kind = state & 0xFF;
  Glyph(p, state, [&](QPoint o, COLORREF c) {
    const int x = gx + o.x(), y = gy + o.y();
    switch (kind) {
      case DFCS_CAPTIONCLOSE:
        for (int k = 0; k < std::max(2, thick); ++k) {
          p.Line(QPoint(x + k, y), QPoint(x + g - 1, y + g - 1 - k), c);
          p.Line(QPoint(x + k, y + g - 1), QPoint(x + g - 1, y + k), c);
        }
        break;
      case DFCS_CAPTIONMIN:
        p.Span(x, y + g - 1 - thick, x + g * 2 / 3, y + g - 1, c);
        break;
      case DFCS_CAPTIONMAX:
        p.Span(x, y, x + g - 1, y + thick, c);
        p.Span(x, y, x, y + g - 1, c);
        p.Span(x + g - 1, y, x + g - 1, y + g - 1, c);
        p.Span(x, y + g - 1, x + g - 1, y + g - 1, c);
        break;
      case DFCS_CAPTIONRESTORE: {
        const int w = g * 2 / 3;
        for (int k = 0; k < 2; ++k) {
          const int bx = x + (k == 0 ? g - w : 0), by = y + (k == 0 ? 0 : g - w);
          p.Span(bx, by, bx + w - 1, by + std::max(1, thick - 1), c);
          p.Span(bx, by, bx, by + w - 1, c);
          p.Span(bx + w - 1, by, bx + w - 1, by + w - 1, c);
          p.Span(bx, by + w - 1, bx + w - 1, by + w - 1, c);
        }
        break;
      }
      case DFCS_CAPTIONHELP: {
        if (!QGuiApplication::instance()) break;  // the glyph needs a font
        QPainterPath q;
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setBold(true);
        f.setPixelSize(std::max(4, g));
        q.addText(QPointF(x + g / 2.0 - g * 0.3, y + g * 0.9), f, QStringLiteral("?"));
        p.Shape(q, c);
        break;
      }
      default:
        break;
    }
  });
}

void DrawScroll(Painter3D& p, const QRect& d, UINT state) {
  const UINT kind = state & 0xFF;
  if (kind == DFCS_SCROLLSIZEGRIP || kind == DFCS_SCROLLSIZEGRIPRIGHT) {
    p.Box(d, GetSysColor(COLOR_BTNFACE));
    const int s = std::min(d.width(), d.height());
    const int r = d.right(), b = d.bottom();
    for (int k = 3; k < s; k += 4) {
      p.Line(QPoint(r - k, b), QPoint(r, b - k), GetSysColor(COLOR_BTNHIGHLIGHT));
      p.Line(QPoint(r - k + 1, b), QPoint(r, b - k + 1), GetSysColor(COLOR_BTNSHADOW));
      p.Line(QPoint(r - k + 2, b), QPoint(r, b - k + 2), GetSysColor(COLOR_BTNSHADOW));
    }
    return;
  }
  const QRect face = ButtonFace(p, d, state, true);
  int dir = 1;
  switch (kind) {
    case DFCS_SCROLLUP: dir = 0; break;
    case DFCS_SCROLLLEFT: dir = 2; break;
    case DFCS_SCROLLRIGHT: dir = 3; break;
    default: dir = 1; break;  // down and the combo box button
  }
  const int s = std::min(d.width(), d.height());
  const QPoint c(face.left() + (face.width() - 1) / 2, face.top() + (face.height() - 1) / 2);
  Glyph(p, state, [&](QPoint o, COLORREF col) { p.Arrow(c + o, s, dir, col); });
}

void DrawMenuGlyph(Painter3D& p, const QRect& d, UINT state) {
  // Menu glyphs are masks: black on white.
  p.Box(d, RGB(255, 255, 255));
  const int s = std::min(d.width(), d.height());
  const QPoint c(d.left() + (d.width() - 1) / 2, d.top() + (d.height() - 1) / 2);
  switch (state & 0xFF) {
    case DFCS_MENUARROW: p.Arrow(c, s, 3, 0); break;
    case DFCS_MENUARROWRIGHT: p.Arrow(c, s, 2, 0); break;
    case DFCS_MENUCHECK: {
      const int n = std::max(3, s / 2);
      p.Tick(c.x() - n / 2, c.y() - n / 2, n, 0);
      break;
    }
    case DFCS_MENUBULLET: {
      const double dot = std::max(2.0, std::round(s / 3.0));
      p.Shape(Painter3D::Disc(c.x() - (dot - 1) / 2, c.y() - (dot - 1) / 2, dot), 0);
      break;
    }
    default: break;
  }
}

}  // namespace

BOOL DrawEdge(HDC hdc, LPRECT qrc, UINT edge, UINT grfFlags) {
  auto dc = GetDc(hdc);
  if (!dc || !qrc) return FALSE;
  Painter3D p(dc);
  const QRect d = DeviceRect(*dc, *qrc);
  int l = d.left(), t = d.top(), r = d.right() + 1, b = d.bottom() + 1;
  if (grfFlags & BF_DIAGONAL) {
    p.Diagonal(l, t, r, b, edge, grfFlags);
    return TRUE;
  }
  p.Edge(l, t, r, b, edge, grfFlags);
  if (grfFlags & BF_ADJUST) WriteBack(*dc, qrc, l, t, r, b);
  return TRUE;
}

BOOL DrawFrameControl(HDC hdc, LPRECT lprc, UINT uType, UINT uState) {
  auto dc = GetDc(hdc);
  if (!dc || !lprc) return FALSE;
  const QRect d = DeviceRect(*dc, *lprc);
  Painter3D p(dc);
  switch (uType) {
    case DFC_BUTTON: {
      const UINT kind = uState & 0xFF;
      if (kind & DFCS_BUTTONPUSH) {
        const QRect face = ButtonFace(p, d, uState, false);
        if (uState & DFCS_ADJUSTRECT) WriteBack(*dc, lprc, face.left(), face.top(), face.right() + 1, face.bottom() + 1);
      } else if (kind & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK)) {
        DrawButtonRadio(p, d, uState);
      } else {
        DrawButtonCheck(p, d, uState);
      }
      return TRUE;
    }
    case DFC_SCROLL:
      DrawScroll(p, d, uState);
      return TRUE;
    case DFC_CAPTION: {
      const QRect face = ButtonFace(p, d, uState, false);
      DrawCaptionGlyph(p, face, uState);
      return TRUE;
    }
    case DFC_MENU:
    case DFC_POPUPMENU:
      DrawMenuGlyph(p, d, uState);
      return TRUE;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
  }
}

BOOL DrawFocusRect(HDC hDC, const RECT* lprc) {
  auto dc = GetDc(hDC);
  if (!dc || !lprc) return FALSE;
  const QRect d = DeviceRect(*dc, *lprc);
  if (d.isEmpty()) return TRUE;
  SurfaceAccess access(*dc, true);
  QImage* image = access.image();
  if (!image) return TRUE;
  // A pattern of alternate pixels inverted with PATINVERT: set bits mix
  // the background colour in, clear bits the text colour (black and white
  // give the familiar dotted frame).
  const Target t(image, dc->s.clip, R2_XORPEN);
  const uint32_t on = ToPixel(dc->s.bkColor), off = ToPixel(dc->s.textColor);
  auto plot = [&](int x, int y) { t.Plot(x, y, ((x + y) & 1) == 0 ? on : off); };
  for (int x = d.left(); x <= d.right(); ++x) {
    plot(x, d.top());
    if (d.bottom() != d.top()) plot(x, d.bottom());
  }
  for (int y = d.top() + 1; y < d.bottom(); ++y) {
    plot(d.left(), y);
    if (d.right() != d.left()) plot(d.right(), y);
  }
  return TRUE;
}
