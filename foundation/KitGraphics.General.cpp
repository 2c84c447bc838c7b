#include "foundation/KitGraphics.General.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/rtl/SysUtils.h"

namespace {

int R(float v) { return int(Round(double(v))); }

TRect RoundRect(const TRectF& r) { return TRect(R(r.Left), R(r.Top), R(r.Right), R(r.Bottom)); }

std::vector<TPoint> RoundPoints(const TKitGraphicsPathPolygon& APolygon) {
  std::vector<TPoint> points;
  points.reserve(APolygon.size());
  for (const TPointF& p : APolygon) points.emplace_back(R(p.X), R(p.Y));
  return points;
}

// Selects the canvas's own pen, brush and font into its DC now, so that a pen
// selected behind the canvas's back stays until the canvas changes it.
struct TCanvasStateAccess : TCanvas {
  static void Require(TCanvas* ACanvas, TCanvasState AState) {
    (ACanvas->*(&TCanvasStateAccess::RequiredState))(AState);
  }
};

TPenStyle PenStyleOf(TKitGraphicsStrokeKind AKind) {
  switch (AKind) {
    case gskNone: return psClear;
    case gskSolid: return psSolid;
    case gskDash: return psDash;
    case gskDot: return psDot;
    case gskDashDot: return psDashDot;
    case gskDashDotDot: return psDashDotDot;
  }
  return psSolid;
}

// An outline is drawn with no brush, a fill with no pen: the stock object is
// selected into the DC behind the canvas's own objects (which stay as they
// are, so nothing is rebuilt per shape) and the canvas's object is selected
// again on leaving.
class TStockScope {
 public:
  TStockScope(TCanvas* ACanvas, int AStockObject) : FCanvas(ACanvas) {
    TCanvasStateAccess::Require(ACanvas, {csHandleValid, csPenValid, csBrushValid});
    FDC = ACanvas->Handle();
    FOld = ::SelectObject(FDC, ::GetStockObject(AStockObject));
  }
  ~TStockScope() {
    // The canvas may have selected its own object again meanwhile (after a
    // change of it); putting back what was there is right in both cases.
    if (::GetCurrentObject(FDC, FKind) == ::GetStockObject(FStock)) ::SelectObject(FDC, FOld);
  }
  TStockScope(const TStockScope&) = delete;
  TStockScope& operator=(const TStockScope&) = delete;

 protected:
  TCanvas* FCanvas;
  HDC FDC = nullptr;
  HGDIOBJ FOld = nullptr;
  UINT FKind = 0;
  int FStock = 0;
};

class TOutlineScope : public TStockScope {
 public:
  explicit TOutlineScope(TCanvas* ACanvas) : TStockScope(ACanvas, NULL_BRUSH) {
    FKind = OBJ_BRUSH;
    FStock = NULL_BRUSH;
  }
};

class TFillScope : public TStockScope {
 public:
  explicit TFillScope(TCanvas* ACanvas) : TStockScope(ACanvas, NULL_PEN) {
    FKind = OBJ_PEN;
    FStock = NULL_PEN;
  }
};

// Text is drawn with the brush style cleared (the canvas reads the style to
// decide on a background); restored on leaving.
class TTextBrushScope {
 public:
  explicit TTextBrushScope(TCanvas* ACanvas) : FCanvas(ACanvas), FStyle(ACanvas->Brush()->Style()) {
    FCanvas->Brush()->SetStyle(bsClear);
  }
  ~TTextBrushScope() { FCanvas->Brush()->SetStyle(FStyle); }

 private:
  TCanvas* FCanvas;
  TBrushStyle FStyle;
};

bool HasMirror(TKitGraphicsFill* AFill) {
  return AFill->ColorMirror() != gcNoColor && AFill->ColorMirrorTo() != gcNoColor;
}

// The point at angle a (degrees) on the ellipse, rounded down.
TPoint ArcPoint(const TPointF& C, const TPointF& Rd, double ADegrees) {
  const double a = ADegrees * std::numbers::pi / 180.0;
  return TPoint(int(std::floor(C.X + Rd.X * std::cos(a))), int(std::floor(C.Y + Rd.Y * std::sin(a))));
}

}  // namespace

TKitGraphicsContextFactory GetGeneralContextClass() {
  return [](TKitGraphics* AGraphics) { return std::make_unique<TKitGraphicsContextGeneral>(AGraphics); };
}

TKitGraphicsContextGeneral::TKitGraphicsContextGeneral(TKitGraphics* AGraphics) : TKitGraphicsContext(AGraphics) {}

TKitGraphicsContextGeneral::~TKitGraphicsContextGeneral() {
  if (FSpecialPen) StopSpecialPen();
}

void* TKitGraphicsContextGeneral::GetNativeCanvas() { return C(); }

TColor TKitGraphicsContextGeneral::GetFillColor() { return C() ? C()->Brush()->Color() : gcNoColor; }

// ---------------------------------------------------------------------------
// Setters

void TKitGraphicsContextGeneral::SetFill(TKitGraphicsFill* AFill) {
  if (!C() || !AFill) return;
  C()->Brush()->SetColor(AFill->Color());
  SetFillKind(AFill->Kind());
}

void TKitGraphicsContextGeneral::SetFillKind(TKitGraphicsFillKind AKind) {
  if (!C()) return;
  switch (AKind) {
    case gfkNone: C()->Brush()->SetStyle(bsClear); break;
    case gfkSolid:
    case gfkGradient: C()->Brush()->SetStyle(bsSolid); break;
    case gfkTexture: break;
  }
}

void TKitGraphicsContextGeneral::SetFillColor(TColor AColor) {
  if (C()) C()->Brush()->SetColor(AColor);
}

void TKitGraphicsContextGeneral::SetStroke(TKitGraphicsStroke* AStroke) {
  if (!C() || !AStroke) return;
  C()->Pen()->SetColor(AStroke->Color());
  C()->Pen()->SetWidth(R(AStroke->Width()));
  C()->Pen()->SetStyle(PenStyleOf(AStroke->Kind()));
}

void TKitGraphicsContextGeneral::SetStrokeKind(TKitGraphicsStrokeKind AKind) {
  if (C()) C()->Pen()->SetStyle(PenStyleOf(AKind));
}
void TKitGraphicsContextGeneral::SetStrokeColor(TColor AColor) {
  if (C()) C()->Pen()->SetColor(AColor);
}
void TKitGraphicsContextGeneral::SetStrokeWidth(float AWidth) {
  if (C()) C()->Pen()->SetWidth(R(AWidth));
}

void TKitGraphicsContextGeneral::SetFont(TKitGraphicsFont* AFont) {
  if (C() && AFont) C()->Font()->Assign(AFont);
}
void TKitGraphicsContextGeneral::SetFontSize(int ASize) {
  if (C()) C()->Font()->SetSize(ASize);
}
void TKitGraphicsContextGeneral::SetFontColor(TColor AColor) {
  if (C()) C()->Font()->SetColor(AColor);
}
void TKitGraphicsContextGeneral::SetFontName(const QString& AName) {
  if (C()) C()->Font()->SetName(AName);
}
void TKitGraphicsContextGeneral::SetFontStyles(TFontStyles AStyle) {
  if (C()) C()->Font()->SetStyle(AStyle);
}

// ---------------------------------------------------------------------------
// State, clipping and the focus pen

void TKitGraphicsContextGeneral::SaveState(TKitGraphicsSaveState* AState) {
  if (!C() || !AState) return;
  C()->Refresh();
  AState->SetSaveDC(::SaveDC(C()->Handle()));
}

void TKitGraphicsContextGeneral::RestoreState(TKitGraphicsSaveState* AState) {
  if (!C() || !AState) return;
  ::RestoreDC(C()->Handle(), AState->SaveDC());
  AState->SetSaveDC(0);
  C()->Refresh();
}

void TKitGraphicsContextGeneral::ClipRect(const TRectF& ARect) {
  if (!C()) return;
  const TRect r = RoundRect(ARect);
  ::IntersectClipRect(C()->Handle(), r.Left, r.Top, r.Right, r.Bottom);
}

void TKitGraphicsContextGeneral::ClipPath(TKitGraphicsPath* APath) {
  if (APath) ClipRect(APath->GetBounds());
}

void TKitGraphicsContextGeneral::StartSpecialPen() {
  if (!C()) return;
  if (FPrinting) {
    FOldPenStyle = C()->Pen()->Style();
    FOldPenWidth = C()->Pen()->Width();
    C()->Pen()->SetStyle(psDot);
    C()->Pen()->SetWidth(1);
    return;
  }
  if (FSpecialPen) return;
  TCanvasStateAccess::Require(C(), {csHandleValid, csPenValid});
  LOGBRUSH lb{BS_SOLID, COLORREF(ColorToRGB(C()->Pen()->Color())), 0};
  FSpecialPen = ::ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &lb, 0, nullptr);
  FOldPenHandle = static_cast<HPEN>(::SelectObject(C()->Handle(), FSpecialPen));
}

void TKitGraphicsContextGeneral::StopSpecialPen() {
  if (!C()) return;
  if (FPrinting) {
    C()->Pen()->SetStyle(FOldPenStyle);
    C()->Pen()->SetWidth(FOldPenWidth);
    return;
  }
  if (!FSpecialPen) return;
  ::SelectObject(C()->Handle(), FOldPenHandle);
  ::DeleteObject(FSpecialPen);
  FSpecialPen = nullptr;
  FOldPenHandle = nullptr;
}

// ---------------------------------------------------------------------------
// Paths

void TKitGraphicsContextGeneral::PathMoveTo(void*, const TPointF& APoint) {
  if (C()) C()->MoveTo(R(APoint.X), R(APoint.Y));
}
void TKitGraphicsContextGeneral::PathLineTo(void*, const TPointF& APoint) {
  if (C()) C()->LineTo(R(APoint.X), R(APoint.Y));
}
void TKitGraphicsContextGeneral::PathClose(void*) {
  if (C()) ::CloseFigure(C()->Handle());
}

void TKitGraphicsContextGeneral::BuildDCPath(TKitGraphicsPath* APath) {
  ::BeginPath(C()->Handle());
  ConvertToPath(APath, 0.25f);
  ::EndPath(C()->Handle());
}

void TKitGraphicsContextGeneral::DrawPath(TKitGraphicsStroke* AStroke, TKitGraphicsPath* APath,
                                          TKitGraphicsPathDrawMode APathMode) {
  if (!C() || !APath) return;
  if (APathMode == pdmPath) {
    TOutlineScope outline(C());
    TCanvasStateAccess::Require(C(), {csHandleValid, csPenValid, csBrushValid});
    BuildDCPath(APath);
    ::StrokePath(C()->Handle());
    ::AbortPath(C()->Handle());
    return;
  }
  TKitGraphicsPathPolygon polygon;
  APath->FlattenToPolygon(polygon, 0.25f);
  if (APathMode == pdmPolygon)
    DrawPolygon(AStroke, polygon);
  else
    DrawPolyline(AStroke, polygon);
}

void TKitGraphicsContextGeneral::FillPath(TKitGraphicsFill* AFill, TKitGraphicsPath* APath,
                                          TKitGraphicsPathDrawMode APathMode) {
  if (!C() || !APath) return;
  if (APathMode == pdmPath) {
    TFillScope fill(C());
    TCanvasStateAccess::Require(C(), {csHandleValid, csPenValid, csBrushValid});
    BuildDCPath(APath);
    const int mode = ::SetPolyFillMode(C()->Handle(), APath->FillRule() == pfrWinding ? WINDING : ALTERNATE);
    ::FillPath(C()->Handle());
    if (mode != 0) ::SetPolyFillMode(C()->Handle(), mode);
    ::AbortPath(C()->Handle());
    return;
  }
  TKitGraphicsPathPolygon polygon;
  APath->FlattenToPolygon(polygon, 0.25f);
  if (APathMode == pdmPolygon)
    FillPolygon(AFill, polygon);
  else
    FillPolyline(AFill, polygon);
}

// ---------------------------------------------------------------------------
// Shapes

void TKitGraphicsContextGeneral::DrawLine(TKitGraphicsStroke*, const TPointF& AFromPoint, const TPointF& AToPoint,
                                          TKitGraphicsModifyPointMode, TKitGraphicsModifyPointMode) {
  if (!C()) return;
  C()->MoveTo(R(AFromPoint.X), R(AFromPoint.Y));
  C()->LineTo(R(AToPoint.X), R(AToPoint.Y));
}

void TKitGraphicsContextGeneral::DrawPolygon(TKitGraphicsStroke*, const TKitGraphicsPathPolygon& APolygon) {
  if (!C() || APolygon.empty()) return;
  TOutlineScope outline(C());
  C()->Polygon(RoundPoints(APolygon));
}

void TKitGraphicsContextGeneral::DrawPolyline(TKitGraphicsStroke*, const TKitGraphicsPathPolygon& APolyline) {
  if (!C() || APolyline.empty()) return;
  TOutlineScope outline(C());
  C()->Polyline(RoundPoints(APolyline));
}

void TKitGraphicsContextGeneral::FillPolygon(TKitGraphicsFill*, const TKitGraphicsPathPolygon& APolygon) {
  if (!C() || APolygon.empty()) return;
  TFillScope fill(C());
  C()->Polygon(RoundPoints(APolygon));
}

void TKitGraphicsContextGeneral::FillPolyline(TKitGraphicsFill* AFill, const TKitGraphicsPathPolygon& APolyline) {
  // The closed shape of the points, as the GDI+ back-end fills it.
  FillPolygon(AFill, APolyline);
}

void TKitGraphicsContextGeneral::DrawArc(TKitGraphicsStroke*, const TPointF& ACenter, const TPointF& ARadius,
                                         float AStartAngle, float ASweepAngle) {
  if (!C()) return;
  TOutlineScope outline(C());
  const TPoint from = ArcPoint(ACenter, ARadius, double(AStartAngle) + ASweepAngle);
  const TPoint to = ArcPoint(ACenter, ARadius, AStartAngle);
  C()->Arc(int(std::floor(ACenter.X - ARadius.X)), int(std::floor(ACenter.Y - ARadius.Y)),
           int(std::floor(ACenter.X + ARadius.X)), int(std::floor(ACenter.Y + ARadius.Y)), from.X, from.Y, to.X,
           to.Y);
}

void TKitGraphicsContextGeneral::FillArc(TKitGraphicsFill*, const TPointF& ACenter, const TPointF& ARadius,
                                         float AStartAngle, float ASweepAngle) {
  // The segment between the arc and its chord, as the GDI+ back-end fills it.
  if (!C() || ASweepAngle == 0) return;
  TFillScope fill(C());
  const int l = int(std::floor(ACenter.X - ARadius.X)), t = int(std::floor(ACenter.Y - ARadius.Y));
  const int r = int(std::floor(ACenter.X + ARadius.X)), b = int(std::floor(ACenter.Y + ARadius.Y));
  if (std::abs(ASweepAngle) >= 360) {
    C()->Ellipse(l, t, r, b);
    return;
  }
  // GDI runs chords counter-clockwise: from the later angle to the earlier.
  const double a1 = ASweepAngle > 0 ? double(AStartAngle) + ASweepAngle : AStartAngle;
  const double a2 = ASweepAngle > 0 ? double(AStartAngle) : double(AStartAngle) + ASweepAngle;
  const TPoint from = ArcPoint(ACenter, ARadius, a1);
  const TPoint to = ArcPoint(ACenter, ARadius, a2);
  C()->Chord(l, t, r, b, from.X, from.Y, to.X, to.Y);
}

void TKitGraphicsContextGeneral::DrawEllipse(TKitGraphicsStroke*, const TRectF& ARect,
                                             TKitGraphicsModifyRectMode AModifyRectMode) {
  if (!C()) return;
  TOutlineScope outline(C());
  C()->Ellipse(RoundRect(ModifyRect(ARect, AModifyRectMode)));
}

void TKitGraphicsContextGeneral::FillEllipse(TKitGraphicsFill*, const TRectF& ARect,
                                             TKitGraphicsModifyRectMode AModifyRectMode) {
  if (!C()) return;
  TFillScope fill(C());
  C()->Ellipse(RoundRect(ModifyRect(ARect, AModifyRectMode)));
}

bool TKitGraphicsContextGeneral::OnePassShape() const {
  // With pen and brush the canvas paints the pen's pixels and the brush on
  // the pixels inside that the pen leaves; two passes paint the brush on
  // all of the inside and the pen over it. The same pixels when the pen
  // copies its colour over the fill and covers every pixel of its outline:
  // a solid pen in the copy mode, not the focus pen (whose gaps show the
  // fill) and not a dashed one.
  TPen* pen = C()->Pen();
  return !FSpecialPen && pen->Style() == psSolid && pen->Mode() == pmCopy;
}

void TKitGraphicsContextGeneral::FillAndDrawEllipse(TKitGraphicsFill* AFill, TKitGraphicsStroke* AStroke,
                                                    const TRectF& ARect, TKitGraphicsModifyRectMode AModifyRectMode) {
  if (!C()) return;
  if (!OnePassShape()) {
    FillEllipse(AFill, ARect, AModifyRectMode);
    DrawEllipse(AStroke, ARect, AModifyRectMode);
    return;
  }
  C()->Ellipse(RoundRect(ModifyRect(ARect, AModifyRectMode)));
}

void TKitGraphicsContextGeneral::DrawRect(TKitGraphicsStroke* AStroke, const TRectF& ARect, TKitGraphicsSides ASides,
                                          TKitGraphicsModifyRectMode AModifyRectMode) {
  if (!C()) return;
  TOutlineScope outline(C());
  const TRect r = RoundRect(ModifyRect(ARect, AModifyRectMode));
  auto line = [&](int x1, int y1, int x2, int y2) {
    DrawLine(AStroke, TPointF(float(x1), float(y1)), TPointF(float(x2), float(y2)), gcpmNone, gcpmNone);
  };
  if (ASides.Contains(gsTop)) line(r.Left, r.Top, r.Right - 1, r.Top);
  if (ASides.Contains(gsLeft)) line(r.Left, r.Top, r.Left, r.Bottom - 1);
  if (ASides.Contains(gsBottom)) line(r.Left, r.Bottom - 1, r.Right - 1, r.Bottom - 1);
  if (ASides.Contains(gsRight)) line(r.Right - 1, r.Top, r.Right - 1, r.Bottom);
}

void TKitGraphicsContextGeneral::DrawCanvasArc(TCanvas* ACanvas, int CX, int CY, int RX, int RY, int AStart,
                                               int ASweep) {
  const double k = std::numbers::pi / 180.0;
  const double e = -(double(AStart) + ASweep) * k;
  const double s = -double(AStart) * k;
  ACanvas->Arc(CX - RX, CY - RY, CX + RX, CY + RY, CX + int(Round(RX * std::cos(e))), CY - int(Round(RY * std::sin(e))),
               CX + int(Round(RX * std::cos(s))), CY - int(Round(RY * std::sin(s))));
}

void TKitGraphicsContextGeneral::DrawRoundRect(TKitGraphicsStroke*, const TRectF& ARect, float ARounding,
                                               TKitGraphicsCorners ACorners,
                                               TKitGraphicsModifyRectMode AModifyRectMode) {
  if (!C()) return;
  TOutlineScope outline(C());
  TRect q = RoundRect(ModifyRect(ARect, AModifyRectMode));
  int r = R(ARounding);
  if (ACorners == TKitGraphics::AllCorners()) {
    C()->RoundRect(q.Left, q.Top, q.Right, q.Bottom, 2 * r, 2 * r);
    return;
  }
  if (ACorners.Empty()) {
    C()->Rectangle(q);
    return;
  }
  const int L = q.Left, T = q.Top, Rr = q.Right - 1, B = q.Bottom - 1;
  r -= 1;
  TCanvas* c = C();
  if (ACorners.Contains(gcBottomLeft)) {
    c->MoveTo(L + r, B);
    DrawCanvasArc(c, L + r, B - r, r, r, -270, 90);
    c->MoveTo(L, B - r);
  } else {
    c->MoveTo(L, B);
  }
  if (ACorners.Contains(gcTopLeft)) {
    c->LineTo(L, T + r - 2);
    DrawCanvasArc(c, L + r, T + r, r, r, -180, 90);
    c->MoveTo(L + r, T);
  } else {
    c->LineTo(L, T);
  }
  if (ACorners.Contains(gcTopRight)) {
    c->LineTo(Rr - r, T);
    DrawCanvasArc(c, Rr - r, T + r, r, r, -90, 90);
    c->MoveTo(Rr, T + r);
  } else {
    c->LineTo(Rr, T);
  }
  if (ACorners.Contains(gcBottomRight)) {
    c->LineTo(Rr, B - r + 1);
    DrawCanvasArc(c, Rr - r, B - r + 1, r, r, 0, 90);
    c->MoveTo(Rr - r, B);
  } else {
    c->LineTo(Rr, B);
  }
  if (ACorners.Contains(gcBottomLeft))
    c->LineTo(L + r - 2, B);
  else
    c->LineTo(L, B);
}

void TKitGraphicsContextGeneral::FillRect(TKitGraphicsFill* AFill, const TRectF& ARect,
                                          TKitGraphicsModifyRectMode AModifyRectMode) {
  if (!C() || !AFill) return;
  const TRect q = RoundRect(ModifyRect(ARect, AModifyRectMode));
  const int L = q.Left, T = q.Top, Rr = q.Right, B = q.Bottom;
  const bool gradient =
      AFill->Kind() == gfkGradient && AFill->Color() != gcNoColor && AFill->ColorTo() != gcNoColor;
  TColor brushColor = C()->Brush()->Color();
  TBrushStyle brushStyle = C()->Brush()->Style();
  if (gradient) {
    const TKitGraphicsFillOrientation o = AFill->Orientation();
    if (!HasMirror(AFill)) {
      DrawRoundGradient(C(), AFill->Color(), AFill->ColorTo(), q, 0, {}, o == gfoHorizontal);
    } else if (o == gfoHorizontal) {
      const int m = L + (Rr - L) / 2;
      DrawRoundGradient(C(), AFill->Color(), AFill->ColorTo(), TRect(L, T, m, B), 0, {}, true);
      DrawRoundGradient(C(), AFill->ColorMirror(), AFill->ColorMirrorTo(), TRect(m, T, Rr, B), 0, {}, true);
    } else if (o == gfoVertical) {
      const int m = T + (B - T) / 2;
      DrawRoundGradient(C(), AFill->Color(), AFill->ColorTo(), TRect(L, T, Rr, m), 0, {}, false);
      DrawRoundGradient(C(), AFill->ColorMirror(), AFill->ColorMirrorTo(), TRect(L, m, Rr, B), 0, {}, false);
    }
    C()->Brush()->SetStyle(bsClear);
  }
  {
    TFillScope fill(C());
    if (AFill->Color() != gcNoColor && AFill->Kind() == gfkSolid) C()->Rectangle(q);
  }
  if (gradient) {
    C()->Brush()->SetColor(brushColor);
    C()->Brush()->SetStyle(brushStyle);
  }
}

void TKitGraphicsContextGeneral::FillRoundRect(TKitGraphicsFill* AFill, const TRectF& ARect, float ARounding,
                                               TKitGraphicsCorners ACorners,
                                               TKitGraphicsModifyRectMode AModifyRectMode) {
  if (!C() || !AFill) return;
  const TRect q = RoundRect(ModifyRect(ARect, AModifyRectMode));
  const int L = q.Left, T = q.Top, Rr = q.Right, B = q.Bottom;
  const int r = R(ARounding);
  const bool horizontal = AFill->Orientation() == gfoHorizontal;
  if (AFill->Kind() != gfkGradient) {
    if (AFill->Kind() == gfkSolid && AFill->Color() != gcNoColor)
      DrawRoundGradient(C(), AFill->Color(), AFill->Color(), q, r, ACorners, horizontal);
    return;
  }
  if (AFill->Color() == gcNoColor || AFill->ColorTo() == gcNoColor) return;
  if (!HasMirror(AFill)) {
    DrawRoundGradient(C(), AFill->Color(), AFill->ColorTo(), TRect(L, T, Rr - 1, B - 1), r, ACorners, horizontal);
    return;
  }
  const int h = (B - 1) - T, w = (Rr - 1) - L;
  TKitGraphicsCorners first, second;
  if (AFill->Orientation() == gfoVertical) {
    if (ACorners.Contains(gcTopLeft)) first.Include(gcTopLeft);
    if (ACorners.Contains(gcTopRight)) first.Include(gcTopRight);
    if (ACorners.Contains(gcBottomLeft)) second.Include(gcBottomLeft);
    if (ACorners.Contains(gcBottomRight)) second.Include(gcBottomRight);
    DrawRoundGradient(C(), AFill->Color(), AFill->ColorTo(), TRect(L, T, Rr - 1, T + h / 2), r, first, false);
    DrawRoundGradient(C(), AFill->ColorMirror(), AFill->ColorMirrorTo(), TRect(L, T + h / 2, Rr - 1, B - 1), r,
                      second, false);
  } else if (AFill->Orientation() == gfoHorizontal) {
    if (ACorners.Contains(gcTopLeft)) first.Include(gcTopLeft);
    if (ACorners.Contains(gcBottomLeft)) first.Include(gcBottomLeft);
    if (ACorners.Contains(gcTopRight)) second.Include(gcTopRight);
    if (ACorners.Contains(gcBottomRight)) second.Include(gcBottomRight);
    DrawRoundGradient(C(), AFill->Color(), AFill->ColorTo(), TRect(L, T, L + w / 2, B), r, first, true);
    DrawRoundGradient(C(), AFill->ColorMirror(), AFill->ColorMirrorTo(), TRect(L + w / 2, T, Rr - 1, B - 1), r,
                      second, true);
  }
}

void TKitGraphicsContextGeneral::DrawFocusRectangle(TKitGraphicsStroke*, const TRectF& ARect, TColor AColor,
                                                    TKitGraphicsModifyRectMode AModifyRectMode) {
  if (!C()) return;
  TOutlineScope outline(C());
  C()->Pen()->SetColor(AColor);
  StartSpecialPen();
  C()->Rectangle(RoundRect(ModifyRect(ARect, AModifyRectMode)));
  StopSpecialPen();
}

void TKitGraphicsContextGeneral::DrawFocusPath(TKitGraphicsStroke* AStroke, TKitGraphicsPath* APath, TColor AColor) {
  if (!C()) return;
  TOutlineScope outline(C());
  C()->Pen()->SetColor(AColor);
  StartSpecialPen();
  DrawPath(AStroke, APath, pdmPolygon);
  StopSpecialPen();
}

void TKitGraphicsContextGeneral::DrawBitmap(TGraphic* ABitmap, const TRectF&, const TRectF& ADstRect, float) {
  if (!C() || !ABitmap) return;
  const int l = R(ADstRect.Left), t = R(ADstRect.Top);
  C()->StretchDraw(TRect(l, t, l + R(ADstRect.Width()), t + R(ADstRect.Height())), ABitmap);
}

// ---------------------------------------------------------------------------
// Text

TRectF TKitGraphicsContextGeneral::CalculateText(const QString& AText, const TRectF& ARect, bool AWordWrapping) {
  if (!C()) return TRectF(0, 0, 0, 0);
  TRect r = RoundRect(ARect);
  TTextFormat format{tfCalcRect};
  format.Include(AWordWrapping ? tfWordBreak : tfSingleLine);
  if (!FShowAcceleratorChar) format.Include(tfNoPrefix);
  QString text = AText;
  C()->TextRect(r, text, format);
  return TRectF(float(r.Left), float(r.Top), float(r.Right), float(r.Bottom));
}

void TKitGraphicsContextGeneral::DrawText(const QString& AText, const TRectF& ARect, bool AWordWrapping,
                                          TKitGraphicsTextAlign AHorizontalAlign, TKitGraphicsTextAlign AVerticalAlign,
                                          TKitGraphicsTextTrimming ATrimming, float AAngle) {
  if (!C()) return;
  TTextBrushScope textBrush(C());
  TTextFormat format;
  format.Include(AWordWrapping ? tfWordBreak : tfSingleLine);
  if (!FShowAcceleratorChar) format.Include(tfNoPrefix);
  switch (AHorizontalAlign) {
    case gtaCenter: format.Include(tfCenter); break;
    case gtaLeading: format.Include(tfLeft); break;
    case gtaTrailing: format.Include(tfRight); break;
  }
  switch (AVerticalAlign) {
    case gtaCenter: format.Include(tfVerticalCenter); break;
    case gtaLeading: format.Include(tfTop); break;
    case gtaTrailing: format.Include(tfBottom); break;
  }
  if (ATrimming == gttCharacter) format.Include(tfEndEllipsis);
  if (ATrimming == gttWord) format.Include(tfWordEllipsis);
  TRect r = RoundRect(ARect);
  if (AWordWrapping) {
    // The system centres and bottom-aligns single lines only.
    const int h = R(CalculateText(AText, ARect, AWordWrapping).Height());
    if (AVerticalAlign == gtaCenter) {
      const int shift = int(std::trunc((r.Height() - h) / 2.0));
      if (shift > 0) r.Top += shift;
      r.Bottom = std::max(0, std::min(R(ARect.Bottom), r.Top + h));
    } else if (AVerticalAlign == gtaTrailing) {
      r.Top = r.Bottom - h;
    }
  }
  if (AAngle != 0) {
    DrawRotatedText(r, AVerticalAlign, AHorizontalAlign, AAngle, AText);
    return;
  }
  QString text = AText;
  C()->TextRect(r, text, format);
}

void TKitGraphicsContextGeneral::DrawRotatedText(const TRect& ARect, TKitGraphicsTextAlign AVerticalAlign,
                                                 TKitGraphicsTextAlign AHorizontalAlign, float AAngle,
                                                 const QString& AText) {
  TFont* font = C()->Font();
  const int saved = font->Orientation();
  font->SetOrientation(int(Round(-10.0 * AAngle)));
  const double tw = C()->TextWidth(AText), th = C()->TextHeight(AText);
  const double L = ARect.Left, T = ARect.Top, Rr = ARect.Right, B = ARect.Bottom;
  const double c = T + ((B - T) - tw) / 2;
  double x = L, y = T;
  if (AAngle <= 0) {
    switch (AHorizontalAlign) {
      case gtaCenter: y = tw + c; break;
      case gtaLeading: y = B; break;
      case gtaTrailing: y = T + tw; break;
    }
    switch (AVerticalAlign) {
      case gtaCenter: x = L + (Rr - L) / 2 - th / 2; break;
      case gtaTrailing: x = L + (Rr - L - th); break;
      case gtaLeading: x = L; break;
    }
  } else {
    switch (AHorizontalAlign) {
      case gtaCenter: y = c; break;
      case gtaTrailing: y = T + (B - T - tw); break;
      case gtaLeading: y = T; break;
    }
    switch (AVerticalAlign) {
      case gtaCenter: x = L + (Rr - L) / 2 + th / 2; break;
      case gtaLeading: x = Rr; break;
      case gtaTrailing: x = L + th; break;
    }
  }
  C()->TextOut(int(Round(x)), int(Round(y)), AText);
  font->SetOrientation(saved);
}
