// GDI paths: the path bracket, stroking, filling, widening, flattening and
// the regions and clips made from a path.

#include <QPainterPathStroker>
#include <algorithm>
#include <cmath>

#include "platform/win32/GdiInternal.h"

namespace gdi {

QPainterPath PathData::ToPainterPath(bool closeAll) const {
  QPainterPath p;
  for (size_t i = 0; i < pts.size(); ++i) {
    const BYTE t = types[i] & ~PT_CLOSEFIGURE;
    if (t == PT_MOVETO) {
      p.moveTo(pts[i]);
    } else if (t == PT_LINETO) {
      p.lineTo(pts[i]);
    } else if (t == PT_BEZIERTO && i + 2 < pts.size()) {
      p.cubicTo(pts[i], pts[i + 1], pts[i + 2]);
      i += 2;
    }
    const bool lastOfFigure = i + 1 >= pts.size() || (types[i + 1] & ~PT_CLOSEFIGURE) == PT_MOVETO;
    if ((types[i] & PT_CLOSEFIGURE) || (closeAll && lastOfFigure)) p.closeSubpath();
  }
  return p;
}

void PathData::Flatten(std::vector<QPolygonF>& polys, std::vector<bool>& closed) const {
  for (size_t i = 0; i < pts.size(); ++i) {
    const BYTE t = types[i] & ~PT_CLOSEFIGURE;
    if (t == PT_MOVETO || polys.empty()) {
      polys.emplace_back();
      closed.push_back(false);
    }
    QPolygonF& poly = polys.back();
    if (t == PT_BEZIERTO && i + 2 < pts.size() && !poly.isEmpty()) {
      const QPointF p0 = poly.back(), c1 = pts[i], c2 = pts[i + 1], p3 = pts[i + 2];
      const double len = QLineF(p0, c1).length() + QLineF(c1, c2).length() + QLineF(c2, p3).length();
      const int n = int(std::clamp(std::ceil(len), 1.0, 10000.0));
      for (int k = 1; k <= n; ++k) {
        const double s = double(k) / n, u = 1 - s;
        poly.append(p0 * (u * u * u) + c1 * (3 * u * u * s) + c2 * (3 * u * s * s) + p3 * (s * s * s));
      }
      i += 2;
    } else {
      poly.append(pts[i]);
    }
    if (types[i] & PT_CLOSEFIGURE) closed.back() = true;
  }
}

namespace {

bool FigureOpen(const PathData& p) {
  return !p.Empty() && !(p.types.back() & PT_CLOSEFIGURE);
}

}  // namespace

void PathMoveTo(DcObject& dc, QPointF p) {
  PathData& path = dc.s.path;
  // A move right after a move replaces it.
  if (!path.Empty() && path.types.back() == PT_MOVETO) {
    path.pts.back() = p;
    return;
  }
  path.pts.push_back(p);
  path.types.push_back(PT_MOVETO);
}

static void StartFigureIfNeeded(DcObject& dc) {
  if (!FigureOpen(dc.s.path)) PathMoveTo(dc, dc.Map().Map(dc.s.cp.x, dc.s.cp.y));
}

void PathLineTo(DcObject& dc, QPointF p) {
  StartFigureIfNeeded(dc);
  dc.s.path.pts.push_back(p);
  dc.s.path.types.push_back(PT_LINETO);
}

void PathBezierTo(DcObject& dc, QPointF c1, QPointF c2, QPointF p) {
  StartFigureIfNeeded(dc);
  for (QPointF q : {c1, c2, p}) {
    dc.s.path.pts.push_back(q);
    dc.s.path.types.push_back(PT_BEZIERTO);
  }
}

void PathClose(DcObject& dc) {
  PathData& path = dc.s.path;
  if (path.Empty() || path.types.back() == PT_MOVETO) return;
  path.types.back() |= PT_CLOSEFIGURE;
}

void PathAddPainterPath(DcObject& dc, const QPainterPath& qp) {
  PathData& path = dc.s.path;
  for (int i = 0; i < qp.elementCount(); ++i) {
    const QPainterPath::Element e = qp.elementAt(i);
    if (e.isMoveTo()) {
      PathClose(dc);
      path.pts.emplace_back(e.x, e.y);
      path.types.push_back(PT_MOVETO);
    } else if (e.isLineTo()) {
      path.pts.emplace_back(e.x, e.y);
      path.types.push_back(PT_LINETO);
    } else if (e.isCurveTo() && i + 2 < qp.elementCount()) {
      for (int k = 0; k < 3; ++k) {
        const QPainterPath::Element c = qp.elementAt(i + k);
        path.pts.emplace_back(c.x, c.y);
        path.types.push_back(PT_BEZIERTO);
      }
      i += 2;
    }
  }
  PathClose(dc);
}

}  // namespace gdi

using namespace gdi;

namespace {

// A DC whose path bracket has ended (EndPath), as the path operations need.
std::shared_ptr<DcObject> ClosedPathDc(HDC hdc) {
  auto dc = GetDc(hdc);
  if (!dc) return nullptr;
  if (dc->s.pathState != PathState::Closed) {
    SetLastError(ERROR_CAN_NOT_COMPLETE);
    return nullptr;
  }
  return dc;
}

void Discard(DcObject& dc) {
  dc.s.path.Clear();
  dc.s.pathState = PathState::None;
}

Qt::FillRule Rule(const DcObject& dc) {
  return dc.s.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill;
}

QRegion PathRegion(const DcObject& dc) {
  std::vector<QPolygonF> polys;
  std::vector<bool> closed;
  dc.s.path.Flatten(polys, closed);
  return PolygonsRegion(polys, Rule(dc));
}

bool HasCurves(const PathData& p) {
  return std::any_of(p.types.begin(), p.types.end(),
                     [](BYTE t) { return (t & ~PT_CLOSEFIGURE) == PT_BEZIERTO; });
}

void Stroke(DcObject& dc, const Target& target, PixelMask* painted) {
  std::vector<QPolygonF> polys;
  std::vector<bool> closed;
  dc.s.path.Flatten(polys, closed);
  StrokeFigures(dc, target, polys, closed, HasCurves(dc.s.path), painted);
}

}  // namespace

BOOL BeginPath(HDC hdc) {
  auto dc = GetDc(hdc);
  if (!dc) return FALSE;
  dc->s.path.Clear();
  dc->s.pathState = PathState::Open;
  return TRUE;
}

BOOL EndPath(HDC hdc) {
  auto dc = GetDc(hdc);
  if (!dc) return FALSE;
  if (dc->s.pathState != PathState::Open) {
    SetLastError(ERROR_CAN_NOT_COMPLETE);
    return FALSE;
  }
  dc->s.pathState = PathState::Closed;
  return TRUE;
}

BOOL AbortPath(HDC hdc) {
  auto dc = GetDc(hdc);
  if (!dc) return FALSE;
  Discard(*dc);
  return TRUE;
}

BOOL CloseFigure(HDC hdc) {
  auto dc = GetDc(hdc);
  if (!dc) return FALSE;
  if (dc->s.pathState != PathState::Open || dc->s.path.Empty()) {
    SetLastError(ERROR_CAN_NOT_COMPLETE);
    return FALSE;
  }
  PathClose(*dc);
  return TRUE;
}

BOOL StrokePath(HDC hdc) {
  auto dc = ClosedPathDc(hdc);
  if (!dc) return FALSE;
  SurfaceAccess access(*dc, true);
  Stroke(*dc, DrawTarget(*dc, access.image()), nullptr);
  Discard(*dc);
  return TRUE;
}

BOOL FillPath(HDC hdc) {
  auto dc = ClosedPathDc(hdc);
  if (!dc) return FALSE;
  SurfaceAccess access(*dc, true);
  FillShape(*dc, DrawTarget(*dc, access.image()), dc->s.path.ToPainterPath(true), Rule(*dc), nullptr);
  Discard(*dc);
  return TRUE;
}

BOOL StrokeAndFillPath(HDC hdc) {
  auto dc = ClosedPathDc(hdc);
  if (!dc) return FALSE;
  SurfaceAccess access(*dc, true);
  const Target target = DrawTarget(*dc, access.image());
  if (target.Valid()) {
    PixelMask penPixels(target.Limit());
    Stroke(*dc, target, &penPixels);
    FillShape(*dc, target, dc->s.path.ToPainterPath(true), Rule(*dc), &penPixels);
  }
  Discard(*dc);
  return TRUE;
}

BOOL FlattenPath(HDC hdc) {
  auto dc = ClosedPathDc(hdc);
  if (!dc) return FALSE;
  std::vector<QPolygonF> polys;
  std::vector<bool> closed;
  dc->s.path.Flatten(polys, closed);
  PathData flat;
  for (size_t i = 0; i < polys.size(); ++i) {
    for (int k = 0; k < polys[i].size(); ++k) {
      flat.pts.push_back(polys[i][k]);
      flat.types.push_back(k == 0 ? PT_MOVETO : PT_LINETO);
    }
    if (closed[i] && polys[i].size() > 1) flat.types.back() |= PT_CLOSEFIGURE;
  }
  dc->s.path = std::move(flat);
  return TRUE;
}

BOOL WidenPath(HDC hdc) {
  auto dc = ClosedPathDc(hdc);
  if (!dc) return FALSE;
  if (PenIsNull(*dc)) {
    SetLastError(ERROR_CAN_NOT_COMPLETE);
    return FALSE;
  }
  const PenObject& pen = *dc->s.pen;
  QPainterPathStroker stroker;
  stroker.setWidth(PenDeviceWidth(*dc, pen));
  switch (pen.style & PS_ENDCAP_MASK) {
    case PS_ENDCAP_SQUARE: stroker.setCapStyle(Qt::SquareCap); break;
    case PS_ENDCAP_FLAT: stroker.setCapStyle(Qt::FlatCap); break;
    default: stroker.setCapStyle(Qt::RoundCap); break;
  }
  switch (pen.style & PS_JOIN_MASK) {
    case PS_JOIN_BEVEL: stroker.setJoinStyle(Qt::BevelJoin); break;
    case PS_JOIN_MITER:
      stroker.setJoinStyle(Qt::MiterJoin);
      stroker.setMiterLimit(dc->s.miterLimit);
      break;
    default: stroker.setJoinStyle(Qt::RoundJoin); break;
  }
  const QPainterPath wide = stroker.createStroke(dc->s.path.ToPainterPath(false)).simplified();
  dc->s.path.Clear();
  PathAddPainterPath(*dc, wide);
  return TRUE;
}

HRGN PathToRegion(HDC hdc) {
  auto dc = ClosedPathDc(hdc);
  if (!dc) return nullptr;
  auto r = std::make_shared<RegionObject>();
  r->rgn = PathRegion(*dc);
  Discard(*dc);
  return AsHandle<HRGN__>(Register(r));
}

BOOL SelectClipPath(HDC hdc, int mode) {
  auto dc = ClosedPathDc(hdc);
  if (!dc) return FALSE;
  if (mode < RGN_AND || mode > RGN_COPY) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const QRegion r = PathRegion(*dc);
  CombineClip(*dc, &r, mode);
  Discard(*dc);
  return TRUE;
}

int GetPath(HDC hdc, LPPOINT apt, BYTE* aj, int cpt) {
  auto dc = ClosedPathDc(hdc);
  if (!dc) return -1;
  const int n = int(dc->s.path.pts.size());
  if (cpt == 0) return n;
  if (cpt < n || !apt || !aj) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  const Mapping m = dc->Map();
  for (int i = 0; i < n; ++i) {
    const QPointF p = m.Unmap(dc->s.path.pts[size_t(i)].x(), dc->s.path.pts[size_t(i)].y());
    apt[i] = POINT{LONG(std::lround(p.x())), LONG(std::lround(p.y()))};
    aj[i] = dc->s.path.types[size_t(i)];
  }
  return n;
}
