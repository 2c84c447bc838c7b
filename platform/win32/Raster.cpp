// The raster core: GDI's mix modes, pixel masks, brush patterns, one-pixel
// line walking and the stroke and fill of figures.

#include <QPainter>
#include <QPainterPathStroker>
#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "platform/win32/GdiInternal.h"

namespace gdi {

uint32_t Rop2(int rop, uint32_t p, uint32_t d) {
  uint32_t r;
  switch (rop) {
    case R2_BLACK: r = 0; break;
    case R2_NOTMERGEPEN: r = ~(d | p); break;
    case R2_MASKNOTPEN: r = d & ~p; break;
    case R2_NOTCOPYPEN: r = ~p; break;
    case R2_MASKPENNOT: r = p & ~d; break;
    case R2_NOT: r = ~d; break;
    case R2_XORPEN: r = d ^ p; break;
    case R2_NOTMASKPEN: r = ~(d & p); break;
    case R2_MASKPEN: r = d & p; break;
    case R2_NOTXORPEN: r = ~(d ^ p); break;
    case R2_NOP: r = d; break;
    case R2_MERGENOTPEN: r = d | ~p; break;
    case R2_MERGEPENNOT: r = p | ~d; break;
    case R2_MERGEPEN: r = d | p; break;
    case R2_WHITE: r = 0xFFFFFFFF; break;
    case R2_COPYPEN:
    default: r = p; break;
  }
  return 0xFF000000u | (r & 0xFFFFFF);
}

uint32_t Rop3(uint8_t index, uint32_t p, uint32_t s, uint32_t d) {
  switch (index) {
    case 0xCC: return s;
    case 0xF0: return p | 0xFF000000u;
    case 0x00: return 0xFF000000u;
    case 0xFF: return 0xFFFFFFFFu;
    default: break;
  }
  uint32_t r = 0;
  for (int i = 0; i < 8; ++i) {
    if (!((index >> i) & 1)) continue;
    r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  }
  return 0xFF000000u | (r & 0xFFFFFF);
}

// ---------------------------------------------------------------------------
// Pixel masks

PixelMask::PixelMask(const QRect& bounds) : bounds_(bounds) {
  if (bounds_.isEmpty()) {
    bounds_ = QRect();
    return;
  }
  image_ = QImage(bounds_.size(), QImage::Format_Alpha8);
  if (image_.isNull()) {
    bounds_ = QRect();
    return;
  }
  image_.fill(0);
}

void PixelMask::Subtract(const PixelMask& o) {
  const QRect r = bounds_ & o.bounds_;
  if (r.isEmpty()) return;
  for (int y = r.top(); y <= r.bottom(); ++y) {
    uint8_t* dst = image_.scanLine(y - bounds_.top()) - bounds_.left();
    const uint8_t* src = o.Row(y) - o.bounds_.left();
    for (int x = r.left(); x <= r.right(); ++x)
      if (src[x]) dst[x] = 0;
  }
}

QRegion PixelMask::ToRegion() const {
  if (IsEmpty()) return QRegion();
  // Runs per row, identical consecutive rows joined into one band.
  std::vector<QRect> rects;
  std::vector<std::pair<int, int>> prev, cur;
  int bandTop = 0;
  auto flush = [&](int bottom) {
    for (auto& run : prev) rects.emplace_back(QPoint(run.first, bandTop), QPoint(run.second, bottom));
  };
  for (int y = bounds_.top(); y <= bounds_.bottom() + 1; ++y) {
    cur.clear();
    if (y <= bounds_.bottom()) {
      const uint8_t* row = Row(y);
      const int w = bounds_.width();
      for (int x = 0; x < w;) {
        if (!row[x]) {
          ++x;
          continue;
        }
        int e = x;
        while (e + 1 < w && row[e + 1]) ++e;
        cur.emplace_back(bounds_.left() + x, bounds_.left() + e);
        x = e + 1;
      }
    }
    if (cur != prev || y > bounds_.bottom()) {
      flush(y - 1);
      prev = cur;
      bandTop = y;
    }
  }
  QRegion r;
  if (!rects.empty()) r.setRects(rects.data(), int(rects.size()));
  return r;
}

PixelMask PixelMask::FromPath(const QPainterPath& path, Qt::FillRule rule, const QRect& limit) {
  if (path.isEmpty()) return PixelMask();
  const QRectF br = path.controlPointRect();
  if (!std::isfinite(br.left()) || !std::isfinite(br.right()) || !std::isfinite(br.top()) ||
      !std::isfinite(br.bottom()))
    return PixelMask();
  const QRect bounds =
      QRect(QPoint(int(std::floor(std::max(br.left(), -1e9))) - 1, int(std::floor(std::max(br.top(), -1e9))) - 1),
            QPoint(int(std::ceil(std::min(br.right(), 1e9))) + 1, int(std::ceil(std::min(br.bottom(), 1e9))) + 1)) &
      limit;
  PixelMask m(bounds);
  if (m.IsEmpty()) return m;
  QPainterPath p = path;
  p.setFillRule(rule);
  QPainter painter(&m.image_);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::black);
  // Qt samples a pixel at its centre (x + 0.5); GDI at the integer point,
  // with left and top edges inside: move the path by a little less than half
  // a pixel so that no edge falls exactly on a sample.
  constexpr double kShift = 15.0 / 32.0;
  painter.translate(-bounds.left() + kShift, -bounds.top() + kShift);
  painter.drawPath(p);
  painter.end();
  return m;
}

// ---------------------------------------------------------------------------
// Paint sources

namespace {

bool HatchBit(int hatch, int x, int y) {
  switch (hatch) {
    case HS_HORIZONTAL: return y == 7;
    case HS_VERTICAL: return x == 7;
    case HS_FDIAGONAL: return x == y;
    case HS_BDIAGONAL: return x + y == 7;
    case HS_CROSS: return x == 7 || y == 7;
    case HS_DIAGCROSS: return x == y || x + y == 7;
    default: return false;
  }
}

inline int Mod(int a, int m) {
  const int r = a % m;
  return r < 0 ? r + m : r;
}

}  // namespace

bool PaintSource::At(int x, int y, uint32_t& out) const {
  switch (kind) {
    case Solid:
      out = color;
      return true;
    case Hatch:
      if (HatchBit(hatch, (x - origin.x()) & 7, (y - origin.y()) & 7)) {
        out = color;
        return true;
      }
      if (!opaqueBk) return false;
      out = bk;
      return true;
    case Pattern: {
      if (!pattern || pattern->isNull()) return false;
      const uint32_t px = reinterpret_cast<const uint32_t*>(pattern->constScanLine(
          Mod(y - origin.y(), pattern->height())))[Mod(x - origin.x(), pattern->width())];
      out = monoPattern ? ((px & 0xFFFFFF) ? bk : fore) : (px | 0xFF000000u);
      return true;
    }
    case Nothing:
    default:
      return false;
  }
}

PaintSource SolidSource(COLORREF c) {
  PaintSource s;
  s.kind = PaintSource::Solid;
  s.color = ToPixel(c);
  return s;
}

PaintSource BrushSource(const DcObject& dc, const BrushObject& brush, bool forceOpaque) {
  PaintSource s;
  s.origin = QPoint(dc.s.brushOrg.x, dc.s.brushOrg.y);
  switch (brush.style) {
    case BS_SOLID:
      s.kind = PaintSource::Solid;
      s.color = ToPixel(brush.dcBrush ? dc.s.dcBrushColor : brush.color);
      break;
    case BS_HATCHED:
      s.kind = PaintSource::Hatch;
      s.color = ToPixel(brush.color);
      s.bk = ToPixel(dc.s.bkColor);
      s.opaqueBk = forceOpaque || dc.s.bkMode == OPAQUE;
      s.hatch = brush.hatch;
      break;
    case BS_PATTERN:
      s.kind = PaintSource::Pattern;
      s.pattern = &brush.pattern;
      s.monoPattern = brush.monoPattern;
      s.fore = ToPixel(dc.s.textColor);
      s.bk = ToPixel(dc.s.bkColor);
      break;
    default:
      s.kind = PaintSource::Nothing;
      break;
  }
  return s;
}

// ---------------------------------------------------------------------------
// Targets

Target::Target(QImage* image, const std::optional<QRegion>& clip, int rop2, bool mono)
    : image_(image), clip_(clip ? &*clip : nullptr), rop2_(rop2), mono_(mono) {
  if (image_) limit_ = image_->rect();
  if (clip_) limit_ &= clip_->boundingRect();
}

uint32_t Target::Mix(uint32_t src, uint32_t dst) const {
  uint32_t r = rop2_ == R2_COPYPEN ? (src | 0xFF000000u) : Rop2(rop2_, src, dst);
  if (mono_) {
    const int lum = (((r >> 16) & 0xFF) * 30 + ((r >> 8) & 0xFF) * 59 + (r & 0xFF) * 11) / 100;
    r = lum >= 128 ? 0xFFFFFFFFu : 0xFF000000u;
  }
  return r;
}

void Target::FillRect(const QRect& r, const PaintSource& src) const {
  if (!image_ || src.kind == PaintSource::Nothing) return;
  const bool fast = src.kind == PaintSource::Solid && rop2_ == R2_COPYPEN && !mono_;
  ForEachClipRect(r, [&](const QRect& cr) {
    for (int y = cr.top(); y <= cr.bottom(); ++y) {
      auto* row = reinterpret_cast<uint32_t*>(image_->scanLine(y));
      if (fast) {
        std::fill(row + cr.left(), row + cr.right() + 1, src.color);
        continue;
      }
      for (int x = cr.left(); x <= cr.right(); ++x) {
        uint32_t c;
        if (src.At(x, y, c)) row[x] = Mix(c, row[x]);
      }
    }
  });
}

void Target::FillMask(const PixelMask& m, const PaintSource& src) const {
  if (!image_ || m.IsEmpty() || src.kind == PaintSource::Nothing) return;
  const int left = m.Bounds().left();
  ForEachClipRect(m.Bounds(), [&](const QRect& cr) {
    for (int y = cr.top(); y <= cr.bottom(); ++y) {
      auto* row = reinterpret_cast<uint32_t*>(image_->scanLine(y));
      const uint8_t* bits = m.Row(y);
      for (int x = cr.left(); x <= cr.right(); ++x) {
        if (!bits[x - left]) continue;
        uint32_t c;
        if (src.At(x, y, c)) row[x] = Mix(c, row[x]);
      }
    }
  });
}

void Target::FillRegion(const QRegion& rgn, const PaintSource& src) const {
  for (const QRect& r : rgn) FillRect(r, src);
}

bool Target::Visible(int x, int y) const {
  if (!image_ || !limit_.contains(x, y)) return false;
  return !clip_ || clip_->contains(QPoint(x, y));
}

void Target::Plot(int x, int y, uint32_t color) const {
  if (!Visible(x, y)) return;
  auto* row = reinterpret_cast<uint32_t*>(image_->scanLine(y));
  row[x] = Mix(color, row[x]);
}

Target DrawTarget(const DcObject& dc, QImage* image) {
  const BitmapObject* b = dc.SurfaceBitmap();
  return Target(image, dc.s.clip, dc.s.rop2, b && b->mono);
}

// ---------------------------------------------------------------------------
// One-pixel lines

std::vector<int> CosmeticPattern(const PenObject& pen) {
  switch (pen.Kind()) {
    case PS_DASH: return {18, 6};
    case PS_DOT: return {3, 3};
    case PS_DASHDOT: return {9, 6, 3, 6};
    case PS_DASHDOTDOT: return {9, 3, 3, 3, 3, 3};
    case PS_ALTERNATE: return {1, 1};
    case PS_USERSTYLE: {
      std::vector<int> v;
      for (DWORD e : pen.userStyle) v.push_back(int(std::min<DWORD>(e, 1u << 16)));
      if (v.size() % 2) v.push_back(0);  // an odd list: the last entry is "on" with no gap
      return v;
    }
    default: return {};
  }
}

namespace {

// Pixels of the segment a -> b without b; only those of rows and columns
// that can reach the limit are produced (the index keeps counting).
template <class F>
void WalkSegment(QPoint a, QPoint b, const QRect& limit, F&& out) {
  const int64_t dx = int64_t(b.x()) - a.x(), dy = int64_t(b.y()) - a.y();
  const int64_t adx = std::abs(dx), ady = std::abs(dy);
  const int64_t n = std::max(adx, ady);
  if (n == 0) return;
  const bool xMajor = adx >= ady;
  const int sMajor = (xMajor ? dx : dy) < 0 ? -1 : 1;
  const int64_t dMinor = xMajor ? dy : dx;
  const int sMinor = dMinor < 0 ? -1 : 1;
  const int64_t aMinor = std::abs(dMinor);
  const int major0 = xMajor ? a.x() : a.y();
  const int minor0 = xMajor ? a.y() : a.x();
  // Index range whose major coordinate lies within the limit.
  const int lo = xMajor ? limit.left() : limit.top();
  const int hi = xMajor ? limit.right() : limit.bottom();
  int64_t i0 = 0, i1 = n - 1;
  if (sMajor > 0) {
    i0 = std::max<int64_t>(i0, int64_t(lo) - major0);
    i1 = std::min<int64_t>(i1, int64_t(hi) - major0);
  } else {
    i0 = std::max<int64_t>(i0, int64_t(major0) - hi);
    i1 = std::min<int64_t>(i1, int64_t(major0) - lo);
  }
  for (int64_t i = i0; i <= i1; ++i) {
    const int major = int(major0 + sMajor * i);
    const int minor = int(minor0 + sMinor * ((2 * i * aMinor + n) / (2 * n)));
    if (xMajor) out(major, minor, i);
    else out(minor, major, i);
  }
}

inline int RoundCoord(double v) { return int(std::floor(v + 0.5)); }

}  // namespace

bool LineWalker::On(int pos) const {
  if (!pattern_ || pattern_->empty()) return true;
  int total = 0;
  for (int e : *pattern_) total += e;
  if (total <= 0) return true;
  int p = pos % total;
  if (p < 0) p += total;
  for (size_t i = 0; i < pattern_->size(); ++i) {
    if (p < (*pattern_)[i]) return i % 2 == 0;
    p -= (*pattern_)[i];
  }
  return true;
}

void LineWalker::Segment(QPoint a, QPoint b) {
  const int64_t n = std::max(std::abs(int64_t(b.x()) - a.x()), std::abs(int64_t(b.y()) - a.y()));
  const int base = pos_;
  WalkSegment(a, b, limit_, [&](int x, int y, int64_t i) {
    if (limit_.contains(x, y)) pixels_.push_back({x, y, On(base + int(i))});
  });
  pos_ = int((int64_t(base) + n) % (1 << 30));
}

void LineWalker::Polyline(const std::vector<QPoint>& pts, bool closed) {
  if (pts.empty()) return;
  const size_t before = pixels_.size();
  for (size_t i = 0; i + 1 < pts.size(); ++i) Segment(pts[i], pts[i + 1]);
  if (closed && pts.size() > 1) Segment(pts.back(), pts.front());
  if (closed && pixels_.size() == before && limit_.contains(pts.front()))
    pixels_.push_back({pts.front().x(), pts.front().y(), On(pos_)});  // a figure of one point
}

void LineWalker::Curve(const QPolygonF& poly, bool closed) {
  if (poly.isEmpty()) return;
  // Round half away from the figure's centre, so that symmetric figures
  // stay symmetric.
  const QPointF c = poly.boundingRect().center();
  auto round = [](double v, double centre) {
    return v >= centre ? int(std::floor(v + 0.5)) : int(std::ceil(v - 0.5));
  };
  std::vector<QPoint> pts;
  for (const QPointF& p : poly) {
    const QPoint q(round(p.x(), c.x()), round(p.y(), c.y()));
    if (pts.empty() || pts.back() != q) pts.push_back(q);
  }
  if (closed && pts.size() > 1 && pts.back() == pts.front()) pts.pop_back();
  // The pixel chain, a little beyond the limit so that the clean-up sees
  // the neighbours of edge pixels.
  const QRect wide = limit_.adjusted(-2, -2, 2, 2);
  std::vector<QPoint> chain;
  auto add = [&](QPoint a, QPoint b) {
    WalkSegment(a, b, wide, [&](int x, int y, int64_t) {
      if (wide.contains(x, y)) chain.emplace_back(x, y);
    });
  };
  for (size_t i = 0; i + 1 < pts.size(); ++i) add(pts[i], pts[i + 1]);
  if (closed && pts.size() > 1) add(pts.back(), pts.front());
  else if (!closed && pts.size() == 1) chain.push_back(pts.front());
  if (closed && pts.size() == 1) chain.push_back(pts.front());
  // Drop corner pixels whose neighbours touch each other: the curve stays
  // eight-connected without thick steps.
  std::vector<QPoint> clean;
  clean.reserve(chain.size());
  for (size_t i = 0; i < chain.size(); ++i) {
    const bool hasNext = i + 1 < chain.size() || (closed && chain.size() > 2);
    if (!clean.empty() && hasNext) {
      const QPoint prev = clean.back();
      const QPoint next = i + 1 < chain.size() ? chain[i + 1] : clean.front();
      if (prev != next && std::abs(prev.x() - next.x()) <= 1 && std::abs(prev.y() - next.y()) <= 1)
        continue;
    }
    clean.push_back(chain[i]);
  }
  std::unordered_set<uint64_t> seen;
  for (const QPoint& p : clean) {
    const uint64_t key = (uint64_t(uint32_t(p.x())) << 32) | uint32_t(p.y());
    if (!seen.insert(key).second) continue;
    const bool on = On(pos_++);
    if (limit_.contains(p)) pixels_.push_back({p.x(), p.y(), on});
  }
}

void LineWalker::Loop(const std::vector<QPoint>& pixels) {
  for (const QPoint& p : pixels) {
    const bool on = On(pos_++);
    if (limit_.contains(p)) pixels_.push_back({p.x(), p.y(), on});
  }
}

std::vector<QPoint> EllipseLoop(QPointF c, double rx, double ry) {
  rx = std::abs(rx);
  ry = std::abs(ry);
  // The quadrant of growing x and y offsets, rounded away from the centre
  // (2 * centre is a whole number: the mirrors land on pixels).
  const int n = int(std::clamp(std::ceil((rx + ry) * 2) + 4, 4.0, 200000.0));
  std::vector<QPoint> q;
  auto add = [&](QPoint p) {
    if (q.empty()) {
      q.push_back(p);
      return;
    }
    const QPoint last = q.back();
    if (p == last) return;
    WalkSegment(last, p, QRect(QPoint(INT32_MIN / 2, INT32_MIN / 2), QPoint(INT32_MAX / 2, INT32_MAX / 2)),
                [&](int x, int y, int64_t i) {
                  if (i > 0) q.emplace_back(x, y);
                });
    q.push_back(p);
  };
  for (int i = 0; i <= n; ++i) {
    const double phi = (3.14159265358979323846 / 2) * i / n;
    add(QPoint(int(std::floor(c.x() + rx * std::cos(phi) + 0.5)), int(std::floor(c.y() + ry * std::sin(phi) + 0.5))));
  }
  // Corner steps out.
  std::vector<QPoint> clean;
  for (size_t i = 0; i < q.size(); ++i) {
    if (!clean.empty() && i + 1 < q.size()) {
      const QPoint prev = clean.back(), next = q[i + 1];
      if (std::abs(prev.x() - next.x()) <= 1 && std::abs(prev.y() - next.y()) <= 1) continue;
    }
    clean.push_back(q[i]);
  }
  const int mx = int(std::lround(2 * c.x())), my = int(std::lround(2 * c.y()));
  std::vector<QPoint> loop;
  loop.reserve(clean.size() * 4);
  auto push = [&](QPoint p) {
    if (loop.empty() || loop.back() != p) loop.push_back(p);
  };
  for (const QPoint& p : clean) push(p);
  for (auto it = clean.rbegin(); it != clean.rend(); ++it) push(QPoint(mx - it->x(), it->y()));
  for (const QPoint& p : clean) push(QPoint(mx - p.x(), my - p.y()));
  for (auto it = clean.rbegin(); it != clean.rend(); ++it) push(QPoint(it->x(), my - it->y()));
  std::unordered_set<uint64_t> seen;
  std::vector<QPoint> out;
  out.reserve(loop.size());
  for (const QPoint& p : loop)
    if (seen.insert((uint64_t(uint32_t(p.x())) << 32) | uint32_t(p.y())).second) out.push_back(p);
  return out;
}

// ---------------------------------------------------------------------------
// Pens and figures

COLORREF PenColor(const DcObject& dc, const PenObject& pen) {
  return pen.dcPen ? dc.s.dcPenColor : pen.color;
}

bool PenIsNull(const DcObject& dc) {
  const PenObject* p = dc.s.pen.get();
  return !p || p->Kind() == PS_NULL;
}

bool BrushIsNull(const DcObject& dc) {
  const BrushObject* b = dc.s.brush.get();
  return !b || b->style == BS_NULL;
}

double PenDeviceWidth(const DcObject& dc, const PenObject& pen) {
  if (pen.type == OBJ_EXTPEN && (pen.style & PS_TYPE_MASK) == PS_COSMETIC) return 1;
  if (pen.width <= 1 && pen.type == OBJ_PEN && dc.ScaleX() <= 1) return 1;
  return std::max(1.0, pen.width * dc.ScaleX());
}

bool PenIsThin(const DcObject& dc, const PenObject& pen) { return PenDeviceWidth(dc, pen) < 1.5; }

void StrokeFigures(DcObject& dc, const Target& target, const std::vector<QPolygonF>& polys,
                   const std::vector<bool>& closed, bool curved, PixelMask* painted,
                   int* styleOffset, const std::vector<QPoint>* thinLoop) {
  if (PenIsNull(dc) || !target.Valid()) return;
  const PenObject& pen = *dc.s.pen;
  if (PenIsThin(dc, pen)) {
    const std::vector<int> pattern = CosmeticPattern(pen);
    LineWalker walker(&pattern, styleOffset ? *styleOffset : 0, target.Limit());
    if (thinLoop) walker.Loop(*thinLoop);
    for (size_t i = 0; i < polys.size() && !thinLoop; ++i) {
      const bool c = i < closed.size() && closed[i];
      if (curved) {
        walker.Curve(polys[i], c);
      } else {
        std::vector<QPoint> pts;
        pts.reserve(size_t(polys[i].size()));
        for (const QPointF& p : polys[i]) pts.emplace_back(RoundCoord(p.x()), RoundCoord(p.y()));
        walker.Polyline(pts, c);
      }
    }
    if (styleOffset) *styleOffset = walker.Offset();
    const uint32_t color = ToPixel(PenColor(dc, pen));
    const bool opaqueGaps = !pattern.empty() && dc.s.bkMode == OPAQUE;
    const uint32_t bk = ToPixel(dc.s.bkColor);
    for (const LinePixel& px : walker.Pixels()) {
      if (!px.on && !opaqueGaps) continue;
      target.Plot(px.x, px.y, px.on ? color : bk);
      if (painted) painted->Set(px.x, px.y);
    }
    return;
  }
  // Wide pens: the outline of the stroke, filled once.
  QPainterPath path;
  for (size_t i = 0; i < polys.size(); ++i) {
    if (polys[i].isEmpty()) continue;
    path.moveTo(polys[i].front());
    for (int k = 1; k < polys[i].size(); ++k) path.lineTo(polys[i][k]);
    if (i < closed.size() && closed[i]) path.closeSubpath();
  }
  const double w = PenDeviceWidth(dc, pen);
  QPainterPathStroker stroker;
  stroker.setWidth(w);
  switch (pen.style & PS_ENDCAP_MASK) {
    case PS_ENDCAP_SQUARE: stroker.setCapStyle(Qt::SquareCap); break;
    case PS_ENDCAP_FLAT: stroker.setCapStyle(Qt::FlatCap); break;
    default: stroker.setCapStyle(Qt::RoundCap); break;
  }
  switch (pen.style & PS_JOIN_MASK) {
    case PS_JOIN_BEVEL: stroker.setJoinStyle(Qt::BevelJoin); break;
    case PS_JOIN_MITER:
      stroker.setJoinStyle(Qt::MiterJoin);
      stroker.setMiterLimit(dc.s.miterLimit);
      break;
    default: stroker.setJoinStyle(Qt::RoundJoin); break;
  }
  QList<qreal> dashes;
  switch (pen.Kind()) {
    case PS_DASH: dashes = QList<qreal>{3, 1}; break;
    case PS_DOT: dashes = QList<qreal>{1, 1}; break;
    case PS_DASHDOT: dashes = QList<qreal>{3, 1, 1, 1}; break;
    case PS_DASHDOTDOT: dashes = QList<qreal>{3, 1, 1, 1, 1, 1}; break;
    case PS_USERSTYLE:
      for (DWORD e : pen.userStyle) dashes.push_back(std::max(1e-3, e * dc.ScaleX() / w));
      if (dashes.size() % 2) dashes.push_back(1e-3);
      break;
    default: break;
  }
  if (!dashes.isEmpty()) stroker.setDashPattern(dashes);
  const QPainterPath outline = stroker.createStroke(path);
  PixelMask mask = PixelMask::FromPath(outline, Qt::WindingFill, target.Limit());
  PaintSource src = SolidSource(PenColor(dc, pen));
  if (pen.brush.lbStyle == BS_HATCHED) {
    BrushObject b;
    b.style = BS_HATCHED;
    b.color = pen.brush.lbColor;
    b.hatch = int(pen.brush.lbHatch);
    src = BrushSource(dc, b);
  }
  target.FillMask(mask, src);
  if (painted && !mask.IsEmpty()) {
    const QRect r = mask.Bounds() & painted->Bounds();
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x)
        if (mask.Test(x, y)) painted->Set(x, y);
  }
}

void FillShape(DcObject& dc, const Target& target, const QPainterPath& path, Qt::FillRule rule,
               const PixelMask* exclude) {
  if (BrushIsNull(dc) || !target.Valid()) return;
  PixelMask mask = PixelMask::FromPath(path, rule, target.Limit());
  if (exclude) mask.Subtract(*exclude);
  target.FillMask(mask, BrushSource(dc, *dc.s.brush));
}

}  // namespace gdi
