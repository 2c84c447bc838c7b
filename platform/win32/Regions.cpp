// Regions and the clip region of a device context.

#include <algorithm>
#include <cmath>

#include "platform/win32/GdiInternal.h"

namespace gdi {

int RegionType(const QRegion& r) {
  if (r.isEmpty()) return NULLREGION;
  return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

QRegion MapRegion(const DcObject& dc, const QRegion& r) {
  const Mapping m = dc.Map();
  if (m.identityScale) return r.translated(int(m.tx), int(m.ty));
  QRegion out;
  for (const QRect& rc : r) out += m.MapRect(rc.left(), rc.top(), rc.right() + 1, rc.bottom() + 1);
  return out;
}

namespace {

// Where a DC without a surface can still clip: the range of GDI coordinates.
const QRect kUniverse(QPoint(-(1 << 27), -(1 << 27)), QPoint((1 << 27) - 1, (1 << 27) - 1));

}  // namespace

QRegion PolygonsRegion(const std::vector<QPolygonF>& polys, Qt::FillRule rule) {
  // Scan conversion by rows (no bitmap), the top-left rule of GDI; figures
  // combine by parity (alternate) or by their winding numbers added up
  // (winding: a figure turning the other way inside another cuts a hole).
  auto rounded = [](const QPointF& q) {
    return QPoint(int(std::clamp(std::lround(q.x()), -(1L << 27), 1L << 27)),
                  int(std::clamp(std::lround(q.y()), -(1L << 27), 1L << 27)));
  };
  if (rule == Qt::WindingFill && polys.size() > 1) {
    // One polygon of all figures, each entered from and left to the first
    // figure's start along the same edge, which adds no winding.
    QPolygon joined;
    QPoint origin;
    bool first = true;
    for (const QPolygonF& pf : polys) {
      if (pf.isEmpty()) continue;
      const QPoint start = rounded(pf.front());
      if (first) origin = start;
      else joined.append(origin);
      for (const QPointF& q : pf) joined.append(rounded(q));
      joined.append(start);
      if (!first) joined.append(origin);
      first = false;
    }
    return QRegion(joined, rule);
  }
  QRegion out;
  for (const QPolygonF& pf : polys) {
    QPolygon p;
    for (const QPointF& q : pf) p.append(rounded(q));
    const QRegion r(p, rule);
    out = rule == Qt::OddEvenFill ? out.xored(r) : out.united(r);
  }
  return out;
}

QRegion EffectiveClip(const DcObject& dc) {
  const QRect surface = dc.Surface() ? dc.SurfaceRect() : kUniverse;
  return dc.s.clip ? dc.s.clip->intersected(surface) : QRegion(surface);
}

int CombineClip(DcObject& dc, const QRegion* rgn, int mode) {
  if (mode == RGN_COPY) {
    if (rgn) dc.s.clip = *rgn;
    else dc.s.clip.reset();
    return RegionType(EffectiveClip(dc));
  }
  if (!rgn) return ERROR;
  const QRegion current = dc.s.clip ? *dc.s.clip : QRegion(dc.Surface() ? dc.SurfaceRect() : kUniverse);
  switch (mode) {
    case RGN_AND: dc.s.clip = current.intersected(*rgn); break;
    case RGN_OR: dc.s.clip = current.united(*rgn); break;
    case RGN_XOR: dc.s.clip = current.xored(*rgn); break;
    case RGN_DIFF: dc.s.clip = current.subtracted(*rgn); break;
    default: return ERROR;
  }
  return RegionType(EffectiveClip(dc));
}

namespace {

// One run of pixels per row (x1 < x0: none), rows from top down, joined
// into bands where consecutive rows agree.
QRegion RegionFromRows(int top, const std::vector<std::pair<int, int>>& rows) {
  std::vector<QRect> rects;
  size_t i = 0;
  while (i < rows.size()) {
    size_t j = i + 1;
    while (j < rows.size() && rows[j] == rows[i]) ++j;
    if (rows[i].second >= rows[i].first)
      rects.emplace_back(QPoint(rows[i].first, top + int(i)), QPoint(rows[i].second, top + int(j) - 1));
    i = j;
  }
  QRegion r;
  if (!rects.empty()) r.setRects(rects.data(), int(rects.size()));
  return r;
}

// Shapes given by a bounding rectangle cover its pixels l..r-1, t..b-1: the
// shape is inscribed in the pixels' area and a pixel belongs to it when its
// centre does (left edges in, right edges out).
QRegion ShapeRegion(int x1, int y1, int x2, int y2, double rx, double ry, bool ellipse) {
  const int l = std::min(x1, x2), r = std::max(x1, x2), t = std::min(y1, y2), b = std::max(y1, y2);
  if (r <= l || b <= t || int64_t(b) - t > (1 << 27)) return QRegion();
  const double L = l - 0.5, R = r - 0.5, T = t - 0.5, B = b - 0.5;
  if (ellipse) {
    rx = (R - L) / 2;
    ry = (B - T) / 2;
  } else {
    rx = std::min(rx, (R - L) / 2);
    ry = std::min(ry, (B - T) / 2);
  }
  std::vector<std::pair<int, int>> rows;
  rows.reserve(size_t(b - t));
  for (int y = t; y < b; ++y) {
    double xs = L, xe = R;
    double cy = 0;
    bool corner = false;
    if (y < T + ry) {
      cy = T + ry;
      corner = true;
    } else if (y > B - ry) {
      cy = B - ry;
      corner = true;
    }
    if (corner && rx > 0 && ry > 0) {
      const double k = 1 - ((y - cy) / ry) * ((y - cy) / ry);
      if (k <= 0) {
        rows.emplace_back(0, -1);
        continue;
      }
      const double half = rx * std::sqrt(k);
      xs = L + rx - half;
      xe = R - rx + half;
    }
    rows.emplace_back(int(std::ceil(xs)), int(std::ceil(xe)) - 1);
  }
  return RegionFromRows(t, rows);
}

HRGN NewRegion(const QRegion& r) {
  auto o = std::make_shared<RegionObject>();
  o->rgn = r;
  return AsHandle<HRGN__>(Register(o));
}

std::shared_ptr<RegionObject> GetRgn(HRGN h) {
  auto r = LookupAs<RegionObject>(h, OBJ_REGION);
  if (!r) SetLastError(ERROR_INVALID_HANDLE);
  return r;
}

QRect RectOf(int x1, int y1, int x2, int y2) {
  const int l = std::min(x1, x2), r = std::max(x1, x2), t = std::min(y1, y2), b = std::max(y1, y2);
  if (r <= l || b <= t) return QRect();
  return QRect(QPoint(l, t), QPoint(r - 1, b - 1));
}

}  // namespace

}  // namespace gdi

using namespace gdi;

HRGN CreateRectRgn(int x1, int y1, int x2, int y2) {
  const QRect r = RectOf(x1, y1, x2, y2);
  return NewRegion(r.isEmpty() ? QRegion() : QRegion(r));
}

HRGN CreateRectRgnIndirect(const RECT* lprect) {
  if (!lprect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreateRectRgn(lprect->left, lprect->top, lprect->right, lprect->bottom);
}

HRGN CreateEllipticRgn(int x1, int y1, int x2, int y2) {
  return NewRegion(ShapeRegion(x1, y1, x2, y2, 0, 0, true));
}

HRGN CreateEllipticRgnIndirect(const RECT* lprect) {
  if (!lprect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreateEllipticRgn(lprect->left, lprect->top, lprect->right, lprect->bottom);
}

HRGN CreateRoundRectRgn(int x1, int y1, int x2, int y2, int w, int h) {
  return NewRegion(ShapeRegion(x1, y1, x2, y2, std::abs(w) / 2.0, std::abs(h) / 2.0, false));
}

HRGN CreatePolyPolygonRgn(const POINT* pptl, const INT* pc, int cPoly, int iMode) {
  if (!pptl || !pc || cPoly <= 0 || (iMode != ALTERNATE && iMode != WINDING)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::vector<QPolygonF> polys;
  size_t k = 0;
  for (int i = 0; i < cPoly; ++i) {
    if (pc[i] < 0) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
    QPolygonF poly;
    for (int j = 0; j < pc[i]; ++j, ++k) poly.append(QPointF(pptl[k].x, pptl[k].y));
    if (poly.size() >= 2) polys.push_back(poly);
  }
  return NewRegion(PolygonsRegion(polys, iMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill));
}

HRGN CreatePolygonRgn(const POINT* pptl, int cPoint, int iMode) {
  return CreatePolyPolygonRgn(pptl, &cPoint, 1, iMode);
}

BOOL SetRectRgn(HRGN hrgn, int left, int top, int right, int bottom) {
  auto r = GetRgn(hrgn);
  if (!r) return FALSE;
  const QRect rc = RectOf(left, top, right, bottom);
  r->rgn = rc.isEmpty() ? QRegion() : QRegion(rc);
  return TRUE;
}

int CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode) {
  auto dst = GetRgn(hrgnDst);
  auto a = GetRgn(hrgnSrc1);
  if (!dst || !a) return ERROR;
  if (iMode == RGN_COPY) {
    dst->rgn = a->rgn;
    return RegionType(dst->rgn);
  }
  auto b = GetRgn(hrgnSrc2);
  if (!b) return ERROR;
  switch (iMode) {
    case RGN_AND: dst->rgn = a->rgn.intersected(b->rgn); break;
    case RGN_OR: dst->rgn = a->rgn.united(b->rgn); break;
    case RGN_XOR: dst->rgn = a->rgn.xored(b->rgn); break;
    case RGN_DIFF: dst->rgn = a->rgn.subtracted(b->rgn); break;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return ERROR;
  }
  return RegionType(dst->rgn);
}

int OffsetRgn(HRGN hrgn, int x, int y) {
  auto r = GetRgn(hrgn);
  if (!r) return ERROR;
  r->rgn.translate(x, y);
  return RegionType(r->rgn);
}

BOOL PtInRegion(HRGN hrgn, int x, int y) {
  auto r = GetRgn(hrgn);
  return r && r->rgn.contains(QPoint(x, y)) ? TRUE : FALSE;
}

BOOL RectInRegion(HRGN hrgn, const RECT* lprect) {
  auto r = GetRgn(hrgn);
  if (!r || !lprect) return FALSE;
  const QRect rc = RectOf(lprect->left, lprect->top, lprect->right, lprect->bottom);
  return !rc.isEmpty() && r->rgn.intersects(rc) ? TRUE : FALSE;
}

QRegion GetRegionArea(HRGN hrgn) {
  auto r = GetRgn(hrgn);
  return r ? r->rgn : QRegion();
}

int GetRgnBox(HRGN hrgn, LPRECT lprc) {
  auto r = GetRgn(hrgn);
  if (!r || !lprc) return ERROR;
  const QRect b = r->rgn.boundingRect();
  *lprc = r->rgn.isEmpty() ? RECT{0, 0, 0, 0} : RECT{b.left(), b.top(), b.right() + 1, b.bottom() + 1};
  return RegionType(r->rgn);
}

BOOL EqualRgn(HRGN hrgn1, HRGN hrgn2) {
  auto a = GetRgn(hrgn1);
  auto b = GetRgn(hrgn2);
  if (!a || !b) return ERROR;
  return a->rgn.xored(b->rgn).isEmpty() ? TRUE : FALSE;
}

namespace {

BOOL PaintRegion(HDC hdc, HRGN hrgn, HBRUSH hbr, int rop2, bool currentBrush) {
  auto dc = GetDc(hdc);
  auto r = GetRgn(hrgn);
  if (!dc || !r) return FALSE;
  std::shared_ptr<BrushObject> brush = currentBrush ? dc->s.brush.shared() : ResolveBrush(hbr);
  if (!brush) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  SurfaceAccess access(*dc, true);
  const BitmapObject* bmp = dc->SurfaceBitmap();
  Target t(access.image(), dc->s.clip, rop2, bmp && bmp->mono);
  t.FillRegion(MapRegion(*dc, r->rgn), BrushSource(*dc, *brush, !currentBrush));
  return TRUE;
}

}  // namespace

BOOL FillRgn(HDC hdc, HRGN hrgn, HBRUSH hbr) { return PaintRegion(hdc, hrgn, hbr, R2_COPYPEN, false); }

BOOL PaintRgn(HDC hdc, HRGN hrgn) {
  auto dc = GetDc(hdc);
  if (!dc) return FALSE;
  return PaintRegion(hdc, hrgn, nullptr, dc->s.rop2, true);
}

BOOL InvertRgn(HDC hdc, HRGN hrgn) {
  auto dc = GetDc(hdc);
  auto r = GetRgn(hrgn);
  if (!dc || !r) return FALSE;
  SurfaceAccess access(*dc, true);
  Target t(access.image(), dc->s.clip, R2_NOT);
  t.FillRegion(MapRegion(*dc, r->rgn), SolidSource(0));
  return TRUE;
}

BOOL FrameRgn(HDC hdc, HRGN hrgn, HBRUSH hbr, int w, int h) {
  auto dc = GetDc(hdc);
  auto r = GetRgn(hrgn);
  auto brush = ResolveBrush(hbr);
  if (!dc || !r || !brush || w <= 0 || h <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // The frame is what erosion by w x h removes from the region.
  const QRegion rgn = MapRegion(*dc, r->rgn);
  // Beyond the region's own size the erosion leaves nothing anyway.
  const QRect box = rgn.boundingRect();
  const int dw = int(std::clamp<double>(std::lround(w * dc->ScaleX()), 1, std::max(1, box.width())));
  const int dh = int(std::clamp<double>(std::lround(h * dc->ScaleY()), 1, std::max(1, box.height())));
  QRegion inner = rgn;
  for (int i = 1; i <= dw; ++i) inner &= rgn.translated(i, 0) & rgn.translated(-i, 0);
  for (int i = 1; i <= dh; ++i) inner &= rgn.translated(0, i) & rgn.translated(0, -i);
  SurfaceAccess access(*dc, true);
  Target t(access.image(), dc->s.clip, R2_COPYPEN);
  t.FillRegion(rgn.subtracted(inner), BrushSource(*dc, *brush, true));
  return TRUE;
}

// ---------------------------------------------------------------------------
// Clipping

int SelectClipRgn(HDC hdc, HRGN hrgn) { return ExtSelectClipRgn(hdc, hrgn, RGN_COPY); }

int ExtSelectClipRgn(HDC hdc, HRGN hrgn, int mode) {
  auto dc = GetDc(hdc);
  if (!dc) return ERROR;
  if (mode < RGN_AND || mode > RGN_COPY) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return ERROR;
  }
  if (!hrgn) {
    if (mode != RGN_COPY) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return ERROR;
    }
    return CombineClip(*dc, nullptr, RGN_COPY);
  }
  auto r = GetRgn(hrgn);
  if (!r) return ERROR;
  const QRegion copy = r->rgn;  // device units, as GDI keeps clip regions
  return CombineClip(*dc, &copy, mode);
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
  auto dc = GetDc(hdc);
  if (!dc) return ERROR;
  const QRect r = dc->Map().MapRect(left, top, right, bottom);
  const QRegion rgn = r.isEmpty() ? QRegion() : QRegion(r);
  return CombineClip(*dc, &rgn, RGN_AND);
}

int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom) {
  auto dc = GetDc(hdc);
  if (!dc) return ERROR;
  const QRect r = dc->Map().MapRect(left, top, right, bottom);
  const QRegion rgn = r.isEmpty() ? QRegion() : QRegion(r);
  return CombineClip(*dc, &rgn, RGN_DIFF);
}

int OffsetClipRgn(HDC hdc, int x, int y) {
  auto dc = GetDc(hdc);
  if (!dc) return ERROR;
  const Mapping m = dc->Map();
  if (dc->s.clip) dc->s.clip->translate(int(std::lround(x * m.sx)), int(std::lround(y * m.sy)));
  return RegionType(EffectiveClip(*dc));
}

int GetClipBox(HDC hdc, LPRECT lprect) {
  auto dc = GetDc(hdc);
  if (!dc || !lprect) return ERROR;
  const QRegion vis = EffectiveClip(*dc);
  if (vis.isEmpty()) {
    *lprect = RECT{0, 0, 0, 0};
    return NULLREGION;
  }
  const QRect b = vis.boundingRect();
  const Mapping m = dc->Map();
  const QPointF a = m.Unmap(b.left(), b.top());
  const QPointF c = m.Unmap(b.right() + 1, b.bottom() + 1);
  *lprect = RECT{LONG(std::lround(std::min(a.x(), c.x()))), LONG(std::lround(std::min(a.y(), c.y()))),
                 LONG(std::lround(std::max(a.x(), c.x()))), LONG(std::lround(std::max(a.y(), c.y())))};
  return RegionType(vis);
}

int GetClipRgn(HDC hdc, HRGN hrgn) {
  auto dc = GetDc(hdc);
  auto r = GetRgn(hrgn);
  if (!dc || !r) return -1;
  if (!dc->s.clip) return 0;
  r->rgn = *dc->s.clip;
  return 1;
}

BOOL PtVisible(HDC hdc, int x, int y) {
  auto dc = GetDc(hdc);
  if (!dc) return -1;
  return EffectiveClip(*dc).contains(dc->Map().MapInt(x, y)) ? TRUE : FALSE;
}

BOOL RectVisible(HDC hdc, const RECT* lprect) {
  auto dc = GetDc(hdc);
  if (!dc || !lprect) return FALSE;
  const QRect r = dc->Map().MapRect(lprect->left, lprect->top, lprect->right, lprect->bottom);
  return !r.isEmpty() && EffectiveClip(*dc).intersects(r) ? TRUE : FALSE;
}
