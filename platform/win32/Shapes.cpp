// Lines, curves and closed shapes with GDI's pixel rules; pixels; FillRect,
// FrameRect and InvertRect.

#include <algorithm>
#include <cmath>
#include <functional>
#include <unordered_map>

#include "platform/win32/GdiInternal.h"

namespace gdi {

namespace {

// The points of an elliptical arc (parametric angles, y up, radians).
void ArcPoints(QPolygonF& out, QPointF c, double rx, double ry, double phi0, double sweep) {
  const double r = std::max(std::abs(rx), std::abs(ry));
  const int n = int(std::clamp(std::ceil(std::abs(sweep) * r) + 1, 4.0, 100000.0));
  for (int i = 0; i <= n; ++i) {
    const double phi = phi0 + sweep * i / n;
    out.append(QPointF(c.x() + rx * std::cos(phi), c.y() - ry * std::sin(phi)));
  }
}

void CubicPoints(QPolygonF& out, QPointF p0, QPointF c1, QPointF c2, QPointF p3) {
  const double len = QLineF(p0, c1).length() + QLineF(c1, c2).length() + QLineF(c2, p3).length();
  const int n = int(std::clamp(std::ceil(len), 1.0, 10000.0));
  for (int i = 1; i <= n; ++i) {
    const double t = double(i) / n, u = 1 - t;
    out.append(p0 * (u * u * u) + c1 * (3 * u * u * t) + c2 * (3 * u * t * t) + p3 * (t * t * t));
  }
}

QPainterPath PolygonPath(const std::vector<QPolygonF>& polys) {
  QPainterPath p;
  for (const QPolygonF& poly : polys) {
    if (poly.isEmpty()) continue;
    p.moveTo(poly.front());
    for (int i = 1; i < poly.size(); ++i) p.lineTo(poly[i]);
    p.closeSubpath();
  }
  return p;
}

// Device geometry of a shape given by a bounding rectangle: the outline runs
// through the centres of its first and last pixels (right and bottom edges
// left out), pulled in to keep an inside-frame pen within the rectangle.
QRectF ShapeBox(const DcObject& dc, int l, int t, int r, int b) {
  const QRect d = dc.Map().MapRect(l, t, r, b);
  QRectF box(QPointF(d.left(), d.top()), QPointF(d.right(), d.bottom()));
  const PenObject* pen = dc.s.pen.get();
  if (pen && pen->Kind() == PS_INSIDEFRAME && !PenIsThin(dc, *pen)) {
    const double inset = (PenDeviceWidth(dc, *pen) - 1) / 2;
    const double ix = std::min(inset, box.width() / 2), iy = std::min(inset, box.height() / 2);
    box.adjust(ix, iy, -ix, -iy);
  }
  return box;
}

// Pixels a pen may reach around a box, for the mask of painted pixels.
QRect PaintedBounds(const DcObject& dc, const QRectF& box, const Target& target) {
  double w = 1;
  if (const PenObject* pen = dc.s.pen.get()) w = PenDeviceWidth(dc, *pen);
  const int m = int(std::ceil(w)) + 2;
  return QRect(QPoint(int(std::floor(box.left())) - m, int(std::floor(box.top())) - m),
               QPoint(int(std::ceil(box.right())) + m, int(std::ceil(box.bottom())) + m)) &
         target.Limit();
}

// Draws closed figures: the fill first (without the pen's pixels), then the
// outline, so that every pixel is mixed once.
void DrawClosed(DcObject& dc, const Target& target, const std::vector<QPolygonF>& polys, bool curved,
                Qt::FillRule rule, const std::vector<QPoint>* thinLoop = nullptr) {
  if (!target.Valid()) return;
  const std::vector<bool> closed(polys.size(), true);
  if (BrushIsNull(dc)) {
    StrokeFigures(dc, target, polys, closed, curved, nullptr, nullptr, thinLoop);
    return;
  }
  if (PenIsNull(dc)) {
    FillShape(dc, target, PolygonPath(polys), rule, nullptr);
    return;
  }
  QRectF box;
  for (const QPolygonF& p : polys) box |= p.boundingRect();
  PixelMask penPixels(PaintedBounds(dc, box, target));
  StrokeFigures(dc, target, polys, closed, curved, &penPixels, nullptr, thinLoop);
  FillShape(dc, target, PolygonPath(polys), rule, &penPixels);
}

// The outline of an ellipse: a polygon for the fill and, for ordinary
// sizes, the symmetric pixel loop of a one-pixel pen.
void EllipseOutline(const QRectF& box, QPolygonF& poly, std::vector<QPoint>& loop, bool& symmetric) {
  ArcPoints(poly, box.center(), box.width() / 2, box.height() / 2, 0, 2 * 3.14159265358979323846);
  poly.removeLast();
  symmetric = box.width() + box.height() < 200000;
  if (symmetric) loop = EllipseLoop(box.center(), box.width() / 2, box.height() / 2);
}

// The outline of a rounded rectangle with corner radii rx, ry (device units,
// already limited to half the box), counter-clockwise from the top right.
QPolygonF RoundRectOutline(const QRectF& box, double rx, double ry) {
  QPolygonF poly;
  const double pi = 3.14159265358979323846;
  ArcPoints(poly, QPointF(box.right() - rx, box.top() + ry), rx, ry, 0, pi / 2);
  ArcPoints(poly, QPointF(box.left() + rx, box.top() + ry), rx, ry, pi / 2, pi / 2);
  ArcPoints(poly, QPointF(box.left() + rx, box.bottom() - ry), rx, ry, pi, pi / 2);
  ArcPoints(poly, QPointF(box.right() - rx, box.bottom() - ry), rx, ry, 3 * pi / 2, pi / 2);
  return poly;
}

// ---------------------------------------------------------------------------
// Ellipses and rounded rectangles as runs of pixels
//
// Which pixels an ellipse or a rounded rectangle paints with its pen and
// which with its brush depends on its size, the fractions of its box's
// corners, its radii, its pen and whether it is filled; not on where it
// stands (the rasteriser above works in whole pixels from the box). The
// first shape of a kind is rasterised once at a fixed place, the result
// kept per row as runs of pen and of brush pixels; every shape of that kind
// then writes the runs straight to the surface, through the clip and the mix
// mode as any fill does: no curve, mask or allocation per call.

bool gShapeRuns = true;

enum class ShapeKind : uint8_t { Ellipse, RoundRect };

struct ShapeKey {
  ShapeKind kind;
  uint8_t pen;  // 0 none, 1 one pixel
  bool brush;   // filled
  double fx, fy, w, h;  // fractions of the box's corner, its size
  double rx, ry;        // corner radii (rounded rectangles)
  bool operator==(const ShapeKey&) const = default;
};

struct ShapeKeyHash {
  size_t operator()(const ShapeKey& k) const {
    size_t h = size_t(k.kind) | (size_t(k.pen) << 2) | (size_t(k.brush) << 4);
    for (double v : {k.fx, k.fy, k.w, k.h, k.rx, k.ry})
      h = h * 1000003u ^ std::hash<double>()(v);
    return h;
  }
};

// A run of one row, in the coordinates of the place the shape was
// rasterised at.
struct ShapeRun {
  int y, x0, x1;
  bool pen;
};

// Largest box drawn through runs (bigger shapes, rarely drawn, take the
// rasteriser directly); most kinds kept per thread.
constexpr double kMaxRunBox = 2048;
constexpr size_t kMaxRunKinds = 512;

// Where a shape is rasterised: its box's corner moved to (margin, margin)
// plus its fractions.
constexpr int kRunMargin = 4;

// The outline is computed at kRunPlace, where the last bits of the curve's
// coordinates fall as they do for shapes drawn away from the surface's
// origin (near 0 an angle's rounding noise survives the addition to the
// centre and may tip a pixel of the one-pixel outline); it is then moved,
// exactly, to the scratch surface.
constexpr int kRunPlace = 4096;

std::vector<ShapeRun> BuildShapeRuns(DcObject& dc, const ShapeKey& key) {
  const int m = kRunMargin;
  const QRectF box(kRunPlace + key.fx, kRunPlace + key.fy, key.w, key.h);
  QImage scratch(int(std::ceil(key.w)) + 2 * m + 2, int(std::ceil(key.h)) + 2 * m + 2, QImage::Format_RGB32);
  if (scratch.isNull()) return {};
  scratch.fill(0);
  const Target target(&scratch, std::nullopt, R2_COPYPEN);
  QPolygonF poly;
  std::vector<QPoint> loop;
  bool symmetric = false;
  if (key.kind == ShapeKind::Ellipse) EllipseOutline(box, poly, loop, symmetric);
  else poly = RoundRectOutline(box, key.rx, key.ry);
  const int shift = kRunPlace - m;  // whole pixels: the subtraction is exact
  for (QPointF& p : poly) p -= QPointF(shift, shift);
  for (QPoint& p : loop) p -= QPoint(shift, shift);
  const std::vector<QPolygonF> polys{poly};
  // As DrawClosed paints: the pen's pixels, then the fill without them.
  PixelMask pen(scratch.rect());
  if (key.pen) StrokeFigures(dc, target, polys, {true}, true, &pen, nullptr, symmetric ? &loop : nullptr);
  PixelMask fill;
  if (key.brush) {
    fill = PixelMask::FromPath(PolygonPath(polys), Qt::WindingFill, target.Limit());
    if (key.pen) fill.Subtract(pen);
  }
  std::vector<ShapeRun> runs;
  for (int y = 0; y < scratch.height(); ++y) {
    int x = 0;
    while (x < scratch.width()) {
      const bool p = pen.Test(x, y), f = !p && fill.Test(x, y);
      if (!p && !f) {
        ++x;
        continue;
      }
      int e = x;
      while (e + 1 < scratch.width() && (p ? pen.Test(e + 1, y) : !pen.Test(e + 1, y) && fill.Test(e + 1, y))) ++e;
      runs.push_back({y, x, e, p});
      x = e + 1;
    }
  }
  return runs;
}

// Draws an ellipse or a rounded rectangle through its runs; false when the
// shape or its pen is one the runs do not cover (the caller rasterises it).
bool DrawShapeRuns(DcObject& dc, const Target& target, ShapeKind kind, const QRectF& box, double rx, double ry) {
  if (!gShapeRuns) return false;
  if (!target.Valid()) return true;
  if (!(box.width() <= kMaxRunBox && box.height() <= kMaxRunBox)) return false;
  // Far off, whole-pixel offsets are no longer exact in the runs' integers.
  if (std::abs(box.left()) > 1e9 || std::abs(box.top()) > 1e9) return false;
  ShapeKey key{};
  key.kind = kind;
  key.brush = !BrushIsNull(dc);
  if (!PenIsNull(dc)) {
    const PenObject& pen = *dc.s.pen;
    // Solid pens only: a pattern or a hatched pen is drawn by the rasteriser.
    if ((pen.Kind() != PS_SOLID && pen.Kind() != PS_INSIDEFRAME) || pen.brush.lbStyle == BS_HATCHED) return false;
    // Wide pens too: their outline comes from Qt's stroker, whose last bits
    // depend on where the shape stands, so that a pixel on the edge of the
    // stroke may fall either way.
    if (!PenIsThin(dc, pen)) return false;
    key.pen = 1;
  }
  if (!key.pen && !key.brush) return true;
  const double left = std::floor(box.left()), top = std::floor(box.top());
  key.fx = box.left() - left;
  key.fy = box.top() - top;
  key.w = box.width();
  key.h = box.height();
  key.rx = rx;
  key.ry = ry;
  thread_local std::unordered_map<ShapeKey, std::vector<ShapeRun>, ShapeKeyHash> cache;
  // Shapes mostly come in series of one kind: the last kind is looked at
  // first.
  thread_local ShapeKey lastKey{};
  thread_local const std::vector<ShapeRun>* lastRuns = nullptr;
  if (!lastRuns || !(key == lastKey)) {
    auto found = cache.find(key);
    if (found == cache.end()) {
      if (cache.size() >= kMaxRunKinds) cache.clear();
      found = cache.emplace(key, BuildShapeRuns(dc, key)).first;
    }
    lastKey = key;
    lastRuns = &found->second;
  }
  const std::vector<ShapeRun>& runs = *lastRuns;
  // Run coordinates to device coordinates.
  const int m = kRunMargin;
  const int dx = int(left) - m, dy = int(top) - m;
  const PaintSource penSrc = key.pen ? SolidSource(PenColor(dc, *dc.s.pen)) : PaintSource();
  const PaintSource brushSrc = key.brush ? BrushSource(dc, *dc.s.brush) : PaintSource();
  const QRect limit = target.Limit();
  const bool plainPen = !key.pen || penSrc.kind == PaintSource::Solid;
  const bool plainBrush = !key.brush || brushSrc.kind == PaintSource::Solid;
  if (target.PlainCopy() && plainPen && plainBrush) {
    // Solid colours copied within one rectangle: the runs, cut to it, go
    // straight into the rows.
    QImage* image = target.Image();
    uchar* bits = image->bits();
    const qsizetype stride = image->bytesPerLine();
    for (const ShapeRun& r : runs) {
      const int y = r.y + dy;
      if (y < limit.top() || y > limit.bottom()) continue;
      const int x0 = std::max(r.x0 + dx, limit.left()), x1 = std::min(r.x1 + dx, limit.right());
      if (x0 > x1) continue;
      auto* row = reinterpret_cast<uint32_t*>(bits + y * stride);
      std::fill(row + x0, row + x1 + 1, r.pen ? penSrc.color : brushSrc.color);
    }
    return true;
  }
  for (const ShapeRun& r : runs) {
    const int y = r.y + dy;
    if (y < limit.top() || y > limit.bottom()) continue;
    target.FillRect(QRect(QPoint(r.x0 + dx, y), QPoint(r.x1 + dx, y)), r.pen ? penSrc : brushSrc);
  }
  return true;
}

}  // namespace

bool UseShapeRuns(bool On) {
  const bool was = gShapeRuns;
  gShapeRuns = On;
  return was;
}

}  // namespace gdi

using namespace gdi;

namespace {

struct DrawCall {
  std::shared_ptr<DcObject> dc;
  std::optional<SurfaceAccess> access;
  std::optional<Target> target;
  explicit DrawCall(HDC hdc) : dc(GetDc(hdc)) {
    if (!dc) return;
    access.emplace(*dc, true);
    target.emplace(DrawTarget(*dc, access->image()));
  }
  explicit operator bool() const { return bool(dc); }
};

QPointF MapF(const DcObject& dc, int x, int y) {
  const QPoint p = dc.Map().MapInt(x, y);
  return QPointF(p);
}

std::vector<QPolygonF> OnePoly(const QPolygonF& p) { return std::vector<QPolygonF>{p}; }

Qt::FillRule Rule(const DcObject& dc) {
  return dc.s.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill;
}

// Parametric angle of the ellipse point on the ray from the centre through p.
double RayAngle(const QRectF& box, QPointF p) {
  const QPointF c = box.center();
  const double theta = std::atan2(-(p.y() - c.y()), p.x() - c.x());
  return std::atan2(box.width() / 2 * std::sin(theta), box.height() / 2 * std::cos(theta));
}

double Sweep(double a0, double a1, bool counterClockwise) {
  constexpr double kTwoPi = 2 * 3.14159265358979323846;
  double s = counterClockwise ? a1 - a0 : a0 - a1;
  s = std::fmod(s, kTwoPi);
  if (s <= 1e-9) s += kTwoPi;
  return counterClockwise ? s : -s;
}

enum class ArcKind { Arc, ArcTo, Pie, Chord };

BOOL DrawArcShape(HDC hdc, ArcKind kind, int l, int t, int r, int b, int x3, int y3, int x4, int y4) {
  DrawCall call(hdc);
  if (!call) return FALSE;
  DcObject& dc = *call.dc;
  const QRectF box = ShapeBox(dc, l, t, r, b);
  const QPointF c = box.center();
  const double a0 = RayAngle(box, MapF(dc, x3, y3));
  const double a1 = RayAngle(box, MapF(dc, x4, y4));
  // Arcs run counter-clockwise on the screen; in a mapping that flips y,
  // counter-clockwise in logical space is clockwise on the device.
  bool ccw = dc.s.arcDirection == AD_COUNTERCLOCKWISE;
  const Mapping m = dc.Map();
  if ((m.sx < 0) != (m.sy < 0)) ccw = !ccw;
  const double sweep = Sweep(a0, a1, ccw);
  QPolygonF arc;
  ArcPoints(arc, c, box.width() / 2, box.height() / 2, a0, sweep);
  if (dc.InPath()) {
    if (kind == ArcKind::ArcTo) PathLineTo(dc, arc.front());
    else if (kind == ArcKind::Pie) {
      PathMoveTo(dc, c);
      PathLineTo(dc, arc.front());
    } else {
      PathMoveTo(dc, arc.front());
    }
    for (int i = 1; i < arc.size(); ++i) PathLineTo(dc, arc[i]);
    if (kind == ArcKind::Pie || kind == ArcKind::Chord) PathClose(dc);
  } else {
    switch (kind) {
      case ArcKind::Arc:
        StrokeFigures(dc, *call.target, OnePoly(arc), {false}, true, nullptr);
        break;
      case ArcKind::ArcTo: {
        QPolygonF fig;
        fig.append(MapF(dc, dc.s.cp.x, dc.s.cp.y));
        fig += arc;
        StrokeFigures(dc, *call.target, OnePoly(fig), {false}, true, nullptr);
        break;
      }
      case ArcKind::Pie: {
        QPolygonF fig;
        fig.append(c);
        fig += arc;
        DrawClosed(dc, *call.target, OnePoly(fig), true, Qt::WindingFill);
        break;
      }
      case ArcKind::Chord:
        DrawClosed(dc, *call.target, OnePoly(arc), true, Qt::WindingFill);
        break;
    }
  }
  if (kind == ArcKind::ArcTo) {
    const QPointF e = m.Unmap(arc.back().x(), arc.back().y());
    dc.s.cp = POINT{LONG(std::lround(e.x())), LONG(std::lround(e.y()))};
  }
  return TRUE;
}

}  // namespace

BOOL LineTo(HDC hdc, int x, int y) {
  DrawCall call(hdc);
  if (!call) return FALSE;
  DcObject& dc = *call.dc;
  if (dc.InPath()) {
    PathLineTo(dc, dc.Map().Map(x, y));
  } else {
    QPolygonF seg;
    seg << MapF(dc, dc.s.cp.x, dc.s.cp.y) << MapF(dc, x, y);
    StrokeFigures(dc, *call.target, OnePoly(seg), {false}, false, nullptr, &dc.styleOffset);
  }
  dc.s.cp = POINT{x, y};
  return TRUE;
}

BOOL Polyline(HDC hdc, const POINT* apt, int cpt) {
  if (!apt || cpt < 2) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DrawCall call(hdc);
  if (!call) return FALSE;
  DcObject& dc = *call.dc;
  if (dc.InPath()) {
    PathMoveTo(dc, dc.Map().Map(apt[0].x, apt[0].y));
    for (int i = 1; i < cpt; ++i) PathLineTo(dc, dc.Map().Map(apt[i].x, apt[i].y));
    return TRUE;
  }
  QPolygonF poly;
  for (int i = 0; i < cpt; ++i) poly.append(MapF(dc, apt[i].x, apt[i].y));
  StrokeFigures(dc, *call.target, OnePoly(poly), {false}, false, nullptr);
  return TRUE;
}

BOOL PolylineTo(HDC hdc, const POINT* apt, DWORD cpt) {
  if (!apt || cpt == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DrawCall call(hdc);
  if (!call) return FALSE;
  DcObject& dc = *call.dc;
  if (dc.InPath()) {
    for (DWORD i = 0; i < cpt; ++i) PathLineTo(dc, dc.Map().Map(apt[i].x, apt[i].y));
  } else {
    QPolygonF poly;
    poly.append(MapF(dc, dc.s.cp.x, dc.s.cp.y));
    for (DWORD i = 0; i < cpt; ++i) poly.append(MapF(dc, apt[i].x, apt[i].y));
    StrokeFigures(dc, *call.target, OnePoly(poly), {false}, false, nullptr);
  }
  dc.s.cp = apt[cpt - 1];
  return TRUE;
}

BOOL PolyPolyline(HDC hdc, const POINT* apt, const DWORD* asz, DWORD csz) {
  if (!apt || !asz || csz == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  for (DWORD i = 0; i < csz; ++i)
    if (asz[i] < 2) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
  DrawCall call(hdc);
  if (!call) return FALSE;
  DcObject& dc = *call.dc;
  std::vector<QPolygonF> polys;
  size_t k = 0;
  for (DWORD i = 0; i < csz; ++i) {
    QPolygonF poly;
    for (DWORD j = 0; j < asz[i]; ++j, ++k) poly.append(MapF(dc, apt[k].x, apt[k].y));
    polys.push_back(poly);
  }
  if (dc.InPath()) {
    for (const QPolygonF& p : polys) {
      PathMoveTo(dc, p.front());
      for (int i = 1; i < p.size(); ++i) PathLineTo(dc, p[i]);
    }
    return TRUE;
  }
  StrokeFigures(dc, *call.target, polys, std::vector<bool>(polys.size(), false), false, nullptr);
  return TRUE;
}

BOOL Polygon(HDC hdc, const POINT* apt, int cpt) {
  if (!apt || cpt < 2) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const INT count = cpt;
  return PolyPolygon(hdc, apt, &count, 1);
}

BOOL PolyPolygon(HDC hdc, const POINT* apt, const INT* asz, int csz) {
  if (!apt || !asz || csz <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  for (int i = 0; i < csz; ++i)
    if (asz[i] < 2) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
  DrawCall call(hdc);
  if (!call) return FALSE;
  DcObject& dc = *call.dc;
  std::vector<QPolygonF> polys;
  size_t k = 0;
  for (int i = 0; i < csz; ++i) {
    QPolygonF poly;
    for (int j = 0; j < asz[i]; ++j, ++k) poly.append(MapF(dc, apt[k].x, apt[k].y));
    polys.push_back(poly);
  }
  if (dc.InPath()) {
    for (const QPolygonF& p : polys) {
      PathMoveTo(dc, p.front());
      for (int i = 1; i < p.size(); ++i) PathLineTo(dc, p[i]);
      PathClose(dc);
    }
    return TRUE;
  }
  DrawClosed(dc, *call.target, polys, false, Rule(dc));
  return TRUE;
}

namespace {

BOOL BezierImpl(HDC hdc, const POINT* apt, DWORD cpt, bool fromCurrent) {
  if (!apt || (fromCurrent ? (cpt == 0 || cpt % 3 != 0) : (cpt < 1 || (cpt - 1) % 3 != 0))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DrawCall call(hdc);
  if (!call) return FALSE;
  DcObject& dc = *call.dc;
  const Mapping m = dc.Map();
  std::vector<QPointF> pts;
  if (fromCurrent) pts.push_back(m.Map(dc.s.cp.x, dc.s.cp.y));
  for (DWORD i = 0; i < cpt; ++i) pts.push_back(m.Map(apt[i].x, apt[i].y));
  if (dc.InPath()) {
    if (!fromCurrent) PathMoveTo(dc, pts[0]);
    for (size_t i = 1; i + 2 < pts.size(); i += 3) PathBezierTo(dc, pts[i], pts[i + 1], pts[i + 2]);
  } else {
    QPolygonF poly;
    poly.append(pts[0]);
    for (size_t i = 1; i + 2 < pts.size(); i += 3) CubicPoints(poly, pts[i - 1], pts[i], pts[i + 1], pts[i + 2]);
    StrokeFigures(dc, *call.target, OnePoly(poly), {false}, true, nullptr);
  }
  if (fromCurrent) dc.s.cp = apt[cpt - 1];
  return TRUE;
}

}  // namespace

BOOL PolyBezier(HDC hdc, const POINT* apt, DWORD cpt) { return BezierImpl(hdc, apt, cpt, false); }
BOOL PolyBezierTo(HDC hdc, const POINT* apt, DWORD cpt) { return BezierImpl(hdc, apt, cpt, true); }

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  DrawCall call(hdc);
  if (!call) return FALSE;
  DcObject& dc = *call.dc;
  // The outline as a figure, for the path bracket and the rasteriser.
  auto figure = [&] {
    const QRectF box = ShapeBox(dc, left, top, right, bottom);
    QPolygonF poly;
    poly << box.topLeft();
    if (dc.s.arcDirection == AD_COUNTERCLOCKWISE) poly << box.bottomLeft() << box.bottomRight() << box.topRight();
    else poly << box.topRight() << box.bottomRight() << box.bottomLeft();
    return poly;
  };
  if (dc.InPath()) {
    const QPolygonF poly = figure();
    PathMoveTo(dc, poly[0]);
    for (int i = 1; i < 4; ++i) PathLineTo(dc, poly[i]);
    PathClose(dc);
    return TRUE;
  }
  const Target& target = *call.target;
  const PenObject* pen = dc.s.pen.get();
  const bool thinSolid = pen && (pen->Kind() == PS_SOLID || pen->Kind() == PS_INSIDEFRAME) &&
                         PenIsThin(dc, *pen) && pen->brush.lbStyle != BS_HATCHED;
  if (PenIsNull(dc) || thinSolid) {
    // Spans: the border once, the inside once.
    const QRect d = dc.Map().MapRect(left, top, right, bottom);
    const int l = d.left(), t = d.top(), r = d.right() + 1, b = d.bottom() + 1;
    if (PenIsNull(dc)) {
      if (!BrushIsNull(dc)) target.FillRect(QRect(QPoint(l, t), QPoint(r - 2, b - 2)), BrushSource(dc, *dc.s.brush));
      return TRUE;
    }
    const PaintSource penSrc = SolidSource(PenColor(dc, *pen));
    target.FillRect(QRect(QPoint(l, t), QPoint(r - 1, t)), penSrc);
    if (b - 1 > t) target.FillRect(QRect(QPoint(l, b - 1), QPoint(r - 1, b - 1)), penSrc);
    target.FillRect(QRect(QPoint(l, t + 1), QPoint(l, b - 2)), penSrc);
    if (r - 1 > l) target.FillRect(QRect(QPoint(r - 1, t + 1), QPoint(r - 1, b - 2)), penSrc);
    if (!BrushIsNull(dc)) target.FillRect(QRect(QPoint(l + 1, t + 1), QPoint(r - 2, b - 2)), BrushSource(dc, *dc.s.brush));
    return TRUE;
  }
  DrawClosed(dc, target, OnePoly(figure()), false, Qt::WindingFill);
  return TRUE;
}

BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height) {
  DrawCall call(hdc);
  if (!call) return FALSE;
  DcObject& dc = *call.dc;
  const QRectF box = ShapeBox(dc, left, top, right, bottom);
  const double rx = std::min(std::abs(width * dc.ScaleX()) / 2, box.width() / 2);
  const double ry = std::min(std::abs(height * dc.ScaleY()) / 2, box.height() / 2);
  if (dc.InPath()) {
    const QPolygonF poly = RoundRectOutline(box, rx, ry);
    PathMoveTo(dc, poly[0]);
    for (int i = 1; i < poly.size(); ++i) PathLineTo(dc, poly[i]);
    PathClose(dc);
    return TRUE;
  }
  if (DrawShapeRuns(dc, *call.target, ShapeKind::RoundRect, box, rx, ry)) return TRUE;
  DrawClosed(dc, *call.target, OnePoly(RoundRectOutline(box, rx, ry)), true, Qt::WindingFill);
  return TRUE;
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom) {
  DrawCall call(hdc);
  if (!call) return FALSE;
  DcObject& dc = *call.dc;
  const QRectF box = ShapeBox(dc, left, top, right, bottom);
  if (dc.InPath()) {
    QPainterPath p;
    p.addEllipse(box);
    PathAddPainterPath(dc, p);
    return TRUE;
  }
  if (DrawShapeRuns(dc, *call.target, ShapeKind::Ellipse, box, 0, 0)) return TRUE;
  QPolygonF poly;
  std::vector<QPoint> loop;
  bool symmetric = false;
  EllipseOutline(box, poly, loop, symmetric);
  DrawClosed(dc, *call.target, OnePoly(poly), true, Qt::WindingFill, symmetric ? &loop : nullptr);
  return TRUE;
}

BOOL Arc(HDC hdc, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  return DrawArcShape(hdc, ArcKind::Arc, x1, y1, x2, y2, x3, y3, x4, y4);
}
BOOL ArcTo(HDC hdc, int left, int top, int right, int bottom, int xr1, int yr1, int xr2, int yr2) {
  return DrawArcShape(hdc, ArcKind::ArcTo, left, top, right, bottom, xr1, yr1, xr2, yr2);
}
BOOL Pie(HDC hdc, int left, int top, int right, int bottom, int xr1, int yr1, int xr2, int yr2) {
  return DrawArcShape(hdc, ArcKind::Pie, left, top, right, bottom, xr1, yr1, xr2, yr2);
}
BOOL Chord(HDC hdc, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  return DrawArcShape(hdc, ArcKind::Chord, x1, y1, x2, y2, x3, y3, x4, y4);
}

BOOL AngleArc(HDC hdc, int x, int y, DWORD r, FLOAT StartAngle, FLOAT SweepAngle) {
  if (r > 0x7FFFFFFF || !std::isfinite(StartAngle) || !std::isfinite(SweepAngle)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DrawCall call(hdc);
  if (!call) return FALSE;
  DcObject& dc = *call.dc;
  const Mapping m = dc.Map();
  const QPointF c = m.Map(x, y);
  const double rx = r * std::abs(m.sx), ry = r * std::abs(m.sy);
  const double deg = 3.14159265358979323846 / 180;
  // Sweeps beyond a full turn draw the circle once more at most.
  const double sweep = std::clamp(double(SweepAngle), -720.0, 720.0) * deg;
  QPolygonF arc;
  ArcPoints(arc, c, rx, ry, double(StartAngle) * deg, sweep);
  if (dc.InPath()) {
    for (const QPointF& p : arc) PathLineTo(dc, p);
  } else {
    QPolygonF fig;
    fig.append(m.Map(dc.s.cp.x, dc.s.cp.y));
    fig += arc;
    StrokeFigures(dc, *call.target, OnePoly(fig), {false}, true, nullptr);
  }
  const QPointF e = m.Unmap(arc.back().x(), arc.back().y());
  dc.s.cp = POINT{LONG(std::lround(e.x())), LONG(std::lround(e.y()))};
  return TRUE;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
  DrawCall call(hdc);
  if (!call) return CLR_INVALID;
  DcObject& dc = *call.dc;
  const QPoint p = dc.Map().MapInt(x, y);
  Target plain(call.access->image(), dc.s.clip, R2_COPYPEN, dc.SurfaceBitmap() && dc.SurfaceBitmap()->mono);
  if (!plain.Visible(p.x(), p.y())) return CLR_INVALID;
  plain.Plot(p.x(), p.y(), ToPixel(color));
  return FromPixel(call.access->image()->pixel(p));
}

BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color) { return SetPixel(hdc, x, y, color) != CLR_INVALID; }

COLORREF GetPixel(HDC hdc, int x, int y) {
  auto dc = GetDc(hdc);
  if (!dc) return CLR_INVALID;
  SurfaceAccess access(*dc, false);
  const QPoint p = dc->Map().MapInt(x, y);
  Target t(access.image(), dc->s.clip, R2_COPYPEN);
  if (!t.Visible(p.x(), p.y())) return CLR_INVALID;
  return FromPixel(reinterpret_cast<const uint32_t*>(access.image()->constScanLine(p.y()))[p.x()]);
}

int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
  if (!lprc) return 0;
  auto brush = ResolveBrush(hbr);
  if (!brush) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  auto dc = GetDc(hDC);
  if (!dc) return 0;
  SurfaceAccess access(*dc, true);
  Target t(access.image(), dc->s.clip, R2_COPYPEN, dc->SurfaceBitmap() && dc->SurfaceBitmap()->mono);
  t.FillRect(dc->Map().MapRect(lprc->left, lprc->top, lprc->right, lprc->bottom),
             BrushSource(*dc, *brush, true));
  return 1;
}

int FrameRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
  if (!lprc) return 0;
  auto brush = ResolveBrush(hbr);
  if (!brush) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  auto dc = GetDc(hDC);
  if (!dc) return 0;
  if (lprc->right <= lprc->left || lprc->bottom <= lprc->top) return 0;
  SurfaceAccess access(*dc, true);
  Target t(access.image(), dc->s.clip, R2_COPYPEN, dc->SurfaceBitmap() && dc->SurfaceBitmap()->mono);
  const QRect d = dc->Map().MapRect(lprc->left, lprc->top, lprc->right, lprc->bottom);
  const PaintSource src = BrushSource(*dc, *brush, true);
  const int bw = std::max(1, int(std::lround(dc->ScaleX()))), bh = std::max(1, int(std::lround(dc->ScaleY())));
  const QRegion outer(d);
  const QRegion inner(d.adjusted(bw, bh, -bw, -bh));
  t.FillRegion(outer.subtracted(inner), src);
  return 1;
}

BOOL InvertRect(HDC hDC, const RECT* lprc) {
  if (!lprc) return FALSE;
  auto dc = GetDc(hDC);
  if (!dc) return FALSE;
  SurfaceAccess access(*dc, true);
  Target t(access.image(), dc->s.clip, R2_NOT, dc->SurfaceBitmap() && dc->SurfaceBitmap()->mono);
  t.FillRect(dc->Map().MapRect(lprc->left, lprc->top, lprc->right, lprc->bottom), SolidSource(0));
  return TRUE;
}
