// Drawing an SVG document through the drawing facade.

#include <QImage>

#include <cmath>
#include <cstring>
#include <numbers>

#include "foundation/KitGDIPlusClasses.h"
#include "foundation/KitGraphics.h"
#include "foundation/KitGraphicsSVGEngine.h"
#include "foundation/KitUtils.h"

namespace {

// Coordinates handed to the back-ends stay within this range: the GDI
// back-end rounds them to integers.
constexpr float CoordinateLimit = 1.0e6f;

float Safe(float v) {
  if (!std::isfinite(v)) return 0;
  return std::clamp(v, -CoordinateLimit, CoordinateLimit);
}

// The path mapped through AMatrix, every coordinate made finite and kept
// within the back-ends' range.
void MapPath(TKitGraphicsPath& APath, const TKitGraphicsMatrix& AMatrix) {
  APath.ApplyMatrix(AMatrix);
  bool clean = true;
  for (const TKitGraphicsPathPoint& p : APath.PathData())
    if (!std::isfinite(p.Point.X) || !std::isfinite(p.Point.Y) || std::fabs(p.Point.X) > CoordinateLimit ||
        std::fabs(p.Point.Y) > CoordinateLimit) {
      clean = false;
      break;
    }
  if (clean) return;
  TKitGraphicsPath safe;
  for (const TKitGraphicsPathPoint& p : APath.PathData()) {
    const TPointF q(Safe(p.Point.X), Safe(p.Point.Y));
    switch (p.Kind) {
      case gppMoveTo: safe.MoveTo(q); break;
      case gppLineTo: safe.LineTo(q); break;
      case gppCurveTo: {
        // Curve points come in threes; rebuilt one at a time as lines keep
        // the count right without reading ahead.
        safe.LineTo(q);
        break;
      }
      case gppClose: safe.ClosePath(); break;
    }
  }
  APath.Assign(&safe);
}

bool IsSentinel(const TRectF& R) {
  return R.Left == 2147483648.0f || R.Top == 2147483648.0f || R.Right == -2147483648.0f ||
         R.Bottom == -2147483648.0f;
}

bool FiniteRect(const TRectF& R) {
  return std::isfinite(R.Left) && std::isfinite(R.Top) && std::isfinite(R.Right) && std::isfinite(R.Bottom);
}

}  // namespace

TKitGraphicsPath KitSVGShapePath(TKitGraphicsSVGElement* AElement) {
  TKitGraphicsPath path;
  const float x = AElement->X(), y = AElement->Y();
  switch (AElement->Type()) {
    case etRect: {
      const float w = AElement->Width(), h = AElement->Height();
      if (w <= 0 || h <= 0) break;
      // Radii as SVG reads them: one given serves for both, neither more
      // than half the side.
      float rx = AElement->Rx(), ry = AElement->Ry();
      if (rx <= 0 && ry > 0) rx = ry;
      if (ry <= 0 && rx > 0) ry = rx;
      rx = std::min(std::max(rx, 0.0f), w / 2);
      ry = std::min(std::max(ry, 0.0f), h / 2);
      path.AddRectangle(TRectF(x, y, x + w, y + h), rx, ry);
      break;
    }
    case etLine:
      path.AddLine(TPointF(x, y), TPointF(AElement->Width(), AElement->Height()));
      break;
    case etCircle:
    case etEllipse:
      if (AElement->Rx() > 0 && AElement->Ry() > 0)
        path.AddEllipse(TRectF(x - AElement->Rx(), y - AElement->Ry(), x + AElement->Rx(), y + AElement->Ry()));
      break;
    default:
      if (AElement->HasActivePath()) path.Assign(AElement->CombinedPath());
      break;
  }
  return path;
}

TColor TKitGraphicsSVGImport::GrayScaleColor(TColor AColor) {
  const int r = AColor & 0xFF, g = (AColor >> 8) & 0xFF, b = (AColor >> 16) & 0xFF;
  const int grey = int(Round(0.3 * r + 0.6 * g + 0.1 * b));
  return MakeRgb(Byte(grey), Byte(grey), Byte(grey));
}

TColor TKitGraphicsSVGImport::MultiplyColors(TColor AColor1, TColor AColor2) {
  auto channel = [&](int shift) { return Byte((((AColor1 >> shift) & 0xFF) * ((AColor2 >> shift) & 0xFF)) / 255); };
  return MakeRgb(channel(0), channel(8), channel(16));
}

float TKitGraphicsSVGImport::GradientAngleFromPoints(const TPointF& AFrom, const TPointF& ATo) {
  float angle = float(std::atan2(double(ATo.Y) - AFrom.Y, double(ATo.X) - AFrom.X) * 180 / std::numbers::pi);
  if (angle < 0) angle += 360;
  return angle;
}

TColor TKitGraphicsSVGImport::PaintColor(TColor AColor, TColor ACustomColor) const {
  if (FGrayScale) return GrayScaleColor(AColor);
  if (FTintColor == -1) return ACustomColor != -1 ? ACustomColor : AColor;
  return MultiplyColors(AColor, FTintColor);
}

namespace {

using E = TKitGraphicsSVGElement;

// The element itself or the nearest ancestor for which AGiven holds; the
// topmost ancestor when none does.
// The document's root element: what its own attributes give is inherited
// by every top-level element. Set while a document draws.
thread_local E* gRootStyle = nullptr;

template <class F>
E* Inherited(E* AElement, F AGiven) {
  E* e = AElement;
  while (!AGiven(e) && e->Parent() != nullptr) e = e->Parent();
  if (!AGiven(e) && gRootStyle != nullptr && AGiven(gRootStyle)) return gRootStyle;
  return e;
}

bool IsGradient(const E* AElement) {
  return AElement != nullptr && (AElement->Type() == etLinearGradient || AElement->Type() == etRadialGradient);
}

// The colour property in force at the element: black unless given.
TColor CurrentColor(E* AElement) {
  E* e = Inherited(AElement, [](E* x) { return x->ColorValue() != E::DefaultValue(); });
  return e->ColorValue() != E::DefaultValue() ? e->Color() : TColor(0);
}

// Affine inverse of a row-vector matrix; false when it is singular.
bool Invert(const TKitGraphicsMatrix& M, double AOut[6]) {
  const double det = double(M.m11) * M.m22 - double(M.m12) * M.m21;
  if (!std::isfinite(det) || std::fabs(det) < 1e-12) return false;
  const double a = M.m22 / det, b = -M.m12 / det, c = -M.m21 / det, d = M.m11 / det;
  AOut[0] = a;
  AOut[1] = b;
  AOut[2] = c;
  AOut[3] = d;
  AOut[4] = -(M.m31 * a + M.m32 * c);
  AOut[5] = -(M.m31 * b + M.m32 * d);
  return true;
}

// A gradient's attribute, from the gradient or the ones its href names.
const TKitGraphicsSVGLength* GradientAttribute(E* AGradient, TKitGraphicsSVGGradientAttribute A) {
  int hops = 0;
  for (E* g = AGradient; g != nullptr && hops < 16; g = g->HRefRef(), ++hops)
    if (g->GradientLength(A).Present) return &g->GradientLength(A);
  return nullptr;
}

struct TStop {
  float Offset;
  float C[4];  // red, green, blue, alpha; 0..1, not premultiplied
};

}  // namespace

TKitGraphicsSVGImport::TPaint TKitGraphicsSVGImport::ResolvePaint(E* AElement, E* AStyle, bool AStroke) const {
  TPaint paint;
  auto value = [&](E* x) -> const QString& { return AStroke ? x->StrokeColorValue() : x->FillColorValue(); };
  E* e = Inherited(AStyle, [&](E* x) { return value(x) != E::DefaultValue(); });
  const QString& v = value(e);
  const TColor custom = AStroke ? FCustomStrokeColor : FCustomFillColor;
  if (v == E::DefaultValue()) {
    // Nothing given anywhere: no stroke, a black fill.
    if (AStroke) return paint;
    paint.Kind = TPaint::Solid;
    paint.Color = FGrayScale ? TColor(0x808080) : FTintColor != -1 ? FTintColor : custom != -1 ? custom : TColor(0);
  } else if (v.startsWith(QLatin1String("url("))) {
    E* server = AStroke ? e->StrokePatternRef() : e->PatternRef();
    if (!AStroke && AElement->PatternRef() != nullptr) server = AElement->PatternRef();
    if (IsGradient(server)) {
      paint.Kind = TPaint::Gradient;
      paint.Server = server;
    } else {
      // A reference to no gradient: its fallback colour, else nothing.
      const TColor fallback = AStroke ? e->StrokeColor() : e->FillColor();
      if (fallback == -1) return paint;
      paint.Kind = TPaint::Solid;
      paint.Color = PaintColor(fallback, custom);
      paint.Opacity = AStroke ? e->StrokeColorAlpha() : e->FillColorAlpha();
    }
  } else if (v == QLatin1String("currentColor")) {
    paint.Kind = TPaint::Solid;
    paint.Color = PaintColor(CurrentColor(AStyle), custom);
  } else {
    const TColor c = AStroke ? e->StrokeColor() : e->FillColor();
    if (c == -1 || (AStroke ? !e->HasStrokeColor() : !e->HasFillColor())) return paint;
    paint.Kind = TPaint::Solid;
    paint.Color = PaintColor(c, custom);
    paint.Opacity = AStroke ? e->StrokeColorAlpha() : e->FillColorAlpha();
  }
  E* o = Inherited(
      AStyle, [&](E* x) { return (AStroke ? x->StrokeOpacityValue() : x->FillOpacityValue()) != E::DefaultValue(); });
  if ((AStroke ? o->StrokeOpacityValue() : o->FillOpacityValue()) != E::DefaultValue())
    paint.Opacity *= AStroke ? o->StrokeOpacity() : o->FillOpacity();
  paint.Opacity *= ResolveOpacity(AElement, AStyle);
  if (!(paint.Opacity > 0)) paint.Kind = TPaint::None;
  return paint;
}

float TKitGraphicsSVGImport::ResolveOpacity(E* AElement, E* AStyle) const {
  if (FCustomOpacity != -1) return std::isfinite(FCustomOpacity) ? std::clamp(float(FCustomOpacity), 0.0f, 1.0f) : 1;
  // Opacity is not inherited: the element's own and every enclosing
  // group's multiply.
  float opacity = AStyle->HasOpacity() ? AStyle->Opacity() : 1;
  for (E* p = AElement->Parent(); p != nullptr; p = p->Parent())
    if (p->HasOpacity()) opacity *= p->Opacity();
  if (FRootStyle && FRootStyle->HasOpacity()) opacity *= FRootStyle->Opacity();
  if (!std::isfinite(opacity)) return 1;
  return std::clamp(opacity, 0.0f, 1.0f);
}

float TKitGraphicsSVGImport::ResolveStrokeWidth(E* AStyle, const TKitGraphicsMatrix& AMatrix) const {
  E* e = Inherited(AStyle, [](E* x) { return x->HasStrokeWidth(); });
  const float width = e->HasStrokeWidth() ? e->StrokeWidth() : 1.0f;
  // The width is in user units: scaled by the whole transform (the mean of
  // its two scales where they differ).
  const double scale = std::sqrt(std::fabs(double(AMatrix.m11) * AMatrix.m22 - double(AMatrix.m12) * AMatrix.m21));
  const double w = width * scale;
  if (!std::isfinite(w) || w <= 0) return 0;
  return float(std::min(w, double(CoordinateLimit)));
}

void TKitGraphicsSVGImport::DrawPaintPicture(TKitGraphics* AGraphics, TKitGraphicsPath& ADevicePath,
                                             const TPaint& APaint, bool AStroke, float AWidth, E* AElement,
                                             const TKitGraphicsMatrix& AMatrix) {
  // The device pixels the paint may reach.
  TRectF b = ADevicePath.GetBounds();
  const float grow = AStroke ? AWidth / 2 + 2 : 1;
  b = TRectF(b.Left - grow, b.Top - grow, b.Right + grow, b.Bottom + grow);
  const int left = int(std::floor(std::max(b.Left, FDeviceBounds.Left)));
  const int top = int(std::floor(std::max(b.Top, FDeviceBounds.Top)));
  const int right = int(std::ceil(std::min(b.Right, FDeviceBounds.Right)));
  const int bottom = int(std::ceil(std::min(b.Bottom, FDeviceBounds.Bottom)));
  const int w = right - left, h = bottom - top;
  if (w <= 0 || h <= 0 || w > MaxBitmapSide || h > MaxBitmapSide || qint64(w) * h > MaxBitmapPixels) return;

  // The colour of every pixel, premultiplied.
  QImage picture(w, h, QImage::Format_ARGB32_Premultiplied);
  auto pack = [&](const float c[4], float AOpacity) {
    const float a = std::clamp(c[3] * AOpacity, 0.0f, 1.0f);
    auto ch = [&](float v) { return int(std::lround(std::clamp(v, 0.0f, 1.0f) * a * 255)); };
    return qRgba(ch(c[0]), ch(c[1]), ch(c[2]), int(std::lround(a * 255)));
  };
  auto rgb = [](TColor c, float AAlpha, float AOut[4]) {
    AOut[0] = float(c & 0xFF) / 255;
    AOut[1] = float((c >> 8) & 0xFF) / 255;
    AOut[2] = float((c >> 16) & 0xFF) / 255;
    AOut[3] = AAlpha;
  };
  if (APaint.Kind == TPaint::Solid) {
    float c[4];
    rgb(APaint.Color, 1, c);
    picture.fill(pack(c, APaint.Opacity));
  } else {
    E* g = APaint.Server;
    // Stops from the first gradient of the href chain that has any.
    E* stopsOf = g;
    auto hasStops = [](E* x) {
      if (!x->HasElements()) return false;
      for (const auto& c : x->Elements())
        if (c->Type() == etStop) return true;
      return false;
    };
    for (int hops = 0; !hasStops(stopsOf) && stopsOf->HRefRef() != nullptr && hops < 16; ++hops)
      stopsOf = stopsOf->HRefRef();
    std::vector<TStop> stops;
    if (stopsOf->HasElements())
      for (const auto& c : stopsOf->Elements()) {
        if (c->Type() != etStop) continue;
        TStop s{};
        // Offsets never go back.
        s.Offset = std::max(c->Offset(), stops.empty() ? 0.0f : stops.back().Offset);
        // stop-color is black unless given.
        TColor color = 0;
        float alpha = 1;
        const QString& sv = c->StopColorValue();
        if (sv == QLatin1String("currentColor")) {
          color = CurrentColor(c.get());
        } else if (sv == QLatin1String("none") || sv == QLatin1String("transparent")) {
          alpha = 0;
        } else if (c->HasStopColor() && c->StopColor() != -1) {
          color = c->StopColor();
          alpha = c->StopColorAlpha();
        }
        rgb(PaintColor(color, -1), alpha * (c->HasStopOpacity() ? c->StopOpacity() : 1), s.C);
        stops.push_back(s);
      }
    // Without stops a gradient paints nothing; one stop paints its colour.
    if (stops.empty()) return;
    // Gradient space to device: gradientTransform, the bounding box for
    // objectBoundingBox units, then the element's matrix.
    QString units;
    TKitGraphicsMatrix gt = MatrixIdentity();
    bool haveTransform = false;
    int hops = 0;
    for (E* x = g; x != nullptr && hops < 16; x = x->HRefRef(), ++hops) {
      if (units.isEmpty() && !x->GradientUnitsValue().isEmpty()) units = x->GradientUnitsValue().trimmed();
      if (!haveTransform && x->HasGradientMatrix()) {
        gt = x->GradientMatrix();
        haveTransform = true;
      }
    }
    const bool userSpace = units == QLatin1String("userSpaceOnUse");
    TKitGraphicsMatrix toDevice = gt;
    if (!userSpace) {
      const TKitGraphicsPath shape = KitSVGShapePath(AElement);
      if (shape.Count() == 0) return;
      TRectF box = shape.GetBounds();
      if (AElement->Type() == etLine || box.Width() <= 0.001f || box.Height() <= 0.001f) {
        // A box without area: the paint is not defined; nothing.
        if (box.Width() <= 0.001f || box.Height() <= 0.001f) return;
      }
      toDevice = toDevice * MatrixCreateScaling(box.Width(), box.Height()) * MatrixCreateTranslation(box.Left, box.Top);
    }
    toDevice = toDevice * AMatrix;
    double inv[6];
    if (!Invert(toDevice, inv)) {
      // A degenerate mapping: the last stop's colour.
      picture.fill(pack(stops.back().C, APaint.Opacity));
    } else {
      auto attr = [&](TKitGraphicsSVGGradientAttribute A, float ADefault, int AAxis) -> double {
        const TKitGraphicsSVGLength* l = GradientAttribute(g, A);
        if (l == nullptr)
          return ADefault *
                 (userSpace
                      ? (AAxis == 0   ? FViewport.cx
                         : AAxis == 1 ? FViewport.cy
                                      : std::sqrt((FViewport.cx * FViewport.cx + FViewport.cy * FViewport.cy) / 2))
                      : 1);
        if (!l->Percent || !userSpace) return l->Value;
        const double base = AAxis == 0   ? FViewport.cx
                            : AAxis == 1 ? FViewport.cy
                                         : std::sqrt((FViewport.cx * FViewport.cx + FViewport.cy * FViewport.cy) / 2);
        return l->Value * base;
      };
      auto colorAt = [&](double t) {
        if (!(t > stops.front().Offset) || stops.size() == 1) return pack(stops.front().C, APaint.Opacity);
        if (t >= stops.back().Offset) return pack(stops.back().C, APaint.Opacity);
        size_t i = 1;
        while (i < stops.size() && stops[i].Offset < t) ++i;
        const TStop& a = stops[i - 1];
        const TStop& z = stops[i];
        const double span = double(z.Offset) - a.Offset;
        const float f = span > 0 ? float((t - a.Offset) / span) : 1.0f;
        float c[4];
        for (int k = 0; k < 4; ++k) c[k] = a.C[k] + (z.C[k] - a.C[k]) * f;
        return pack(c, APaint.Opacity);
      };
      const bool linear = g->Type() == etLinearGradient;
      double x1 = 0, y1 = 0, x2 = 0, y2 = 0, cx = 0, cy = 0, r = 0, fx = 0, fy = 0;
      if (linear) {
        x1 = attr(gaX1, 0, 0);
        y1 = attr(gaY1, 0, 1);
        x2 = attr(gaX2, 1, 0);
        y2 = attr(gaY2, 0, 1);
      } else {
        cx = attr(gaCX, 0.5f, 0);
        cy = attr(gaCY, 0.5f, 1);
        r = attr(gaR, 0.5f, 2);
        fx = GradientAttribute(g, gaFX) ? attr(gaFX, 0.5f, 0) : cx;
        fy = GradientAttribute(g, gaFY) ? attr(gaFY, 0.5f, 1) : cy;
        // A focal point outside the circle is moved onto it, just inside.
        const double dfx = fx - cx, dfy = fy - cy, dist = std::hypot(dfx, dfy);
        if (r > 0 && dist > r * 0.999) {
          fx = cx + dfx / dist * r * 0.999;
          fy = cy + dfy / dist * r * 0.999;
        }
      }
      const double dx = x2 - x1, dy = y2 - y1, len2 = dx * dx + dy * dy;
      for (int py = 0; py < h; ++py) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(py));
        for (int px = 0; px < w; ++px) {
          const double X = left + px + 0.5, Y = top + py + 0.5;
          const double u = X * inv[0] + Y * inv[2] + inv[4];
          const double v = X * inv[1] + Y * inv[3] + inv[5];
          double t;
          if (linear) {
            t = len2 > 0 ? ((u - x1) * dx + (v - y1) * dy) / len2 : 1;
          } else if (!(r > 0)) {
            t = 1;
          } else {
            // The circle through the point among those from the focus
            // (t = 0) to the whole circle (t = 1).
            const double ddx = u - fx, ddy = v - fy, cfx = cx - fx, cfy = cy - fy;
            const double a = cfx * cfx + cfy * cfy - r * r;
            const double bb = ddx * cfx + ddy * cfy;
            const double c = ddx * ddx + ddy * ddy;
            if (std::fabs(a) < 1e-12) {
              t = bb != 0 ? c / (2 * bb) : 0;
            } else {
              const double disc = bb * bb - a * c;
              t = disc >= 0 ? (bb - std::sqrt(disc)) / a : 1;
              if (t < 0) t = (bb + std::sqrt(std::max(disc, 0.0))) / a;
            }
          }
          line[px] = colorAt(std::isfinite(t) ? t : 1);
        }
      }
    }
  }

  TKitGraphicsContext* context = AGraphics->Context();
  if (AGraphics->Native()) {
    auto* graphics = static_cast<KitGDIPlusClasses::TGPGraphics*>(context->GetNativeCanvas());
    if (graphics == nullptr) return;
    KitGDIPlusClasses::TGPBitmap bitmap(w, h, int(picture.bytesPerLine()), PixelFormat32bppPARGB, picture.bits());
    KitGDIPlusClasses::TGPTextureBrush brush(&bitmap, WrapModeClamp);
    brush.TranslateTransform(float(left), float(top), MatrixOrderAppend);
    if (AStroke) {
      std::unique_ptr<KitGDIPlusClasses::TGPGraphicsPath> path(
          static_cast<KitGDIPlusClasses::TGPGraphicsPath*>(context->ConvertToPath(&ADevicePath, 0.25f)));
      KitGDIPlusClasses::TGPPen pen(&brush, AWidth);
      graphics->DrawPath(&pen, path.get());
    } else {
      // Every figure in one polygon, joined through the first figure's
      // start (each joining edge run out and back adds nothing), as the
      // back-end fills paths of lines.
      std::vector<TGPPointF> points;
      TKitGraphicsPath flat;
      flat.Assign(&ADevicePath);
      flat.Flatten(0.25f);
      TGPPointF origin{}, figure{};
      bool open = false, first = true;
      for (const TKitGraphicsPathPoint& p : flat.PathData()) {
        const TGPPointF q{p.Point.X, p.Point.Y};
        if (p.Kind == gppMoveTo) {
          if (open) {
            points.push_back(figure);
            points.push_back(origin);
          }
          if (first) origin = q;
          first = false;
          figure = q;
          open = true;
          points.push_back(q);
        } else if (p.Kind == gppClose) {
          points.push_back(figure);
        } else {
          points.push_back(q);
        }
      }
      if (open) points.push_back(figure);
      points.push_back(origin);
      if (points.size() >= 3)
        graphics->FillPolygon(&brush, points.data(), INT(points.size()),
                              ADevicePath.FillRule() == pfrWinding ? FillModeWinding : FillModeAlternate);
    }
    return;
  }
  // GDI: the shape (or the stroke's outline) becomes the clip, and the
  // picture is blended through it.
  TCanvas* canvas = AGraphics->Canvas();
  if (canvas == nullptr) return;
  const HDC dc = canvas->Handle();
  const int saved = ::SaveDC(dc);
  ::BeginPath(dc);
  context->ConvertToPath(&ADevicePath, 0.25f);
  ::EndPath(dc);
  HGDIOBJ oldPen = nullptr;
  HPEN pen = nullptr;
  if (AStroke) {
    LOGBRUSH lb{BS_SOLID, 0, 0};
    pen = ::ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER,
                         DWORD(std::max(1L, std::lround(AWidth))), &lb, 0, nullptr);
    oldPen = ::SelectObject(dc, pen);
    ::WidenPath(dc);
  }
  ::SetPolyFillMode(dc, !AStroke && ADevicePath.FillRule() == pfrWinding ? WINDING : ALTERNATE);
  HRGN region = ::PathToRegion(dc);
  if (region != nullptr) {
    ::ExtSelectClipRgn(dc, region, RGN_AND);
    ::DeleteObject(region);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib != nullptr && bits != nullptr) {
      for (int y = 0; y < h; ++y)
        std::memcpy(static_cast<uchar*>(bits) + size_t(y) * size_t(w) * 4, picture.constScanLine(y), size_t(w) * 4);
      HDC memory = ::CreateCompatibleDC(dc);
      HGDIOBJ old = ::SelectObject(memory, dib);
      ::AlphaBlend(dc, left, top, w, h, memory, 0, 0, w, h, BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA});
      ::SelectObject(memory, old);
      ::DeleteDC(memory);
    }
    if (dib != nullptr) ::DeleteObject(dib);
  }
  if (pen != nullptr) {
    ::SelectObject(dc, oldPen);
    ::DeleteObject(pen);
  }
  ::AbortPath(dc);
  ::RestoreDC(dc, saved);
}

void TKitGraphicsSVGImport::DrawShape(E* AElement, E* AStyle, TKitGraphics* AGraphics,
                                      const TKitGraphicsMatrix& AMatrix) {
  TKitGraphicsPath path = KitSVGShapePath(AElement);
  if (path.Count() == 0) return;
  MapPath(path, AMatrix);
  E* rule = Inherited(AStyle, [](E* x) { return x->FillRuleValue() != E::DefaultValue(); });
  path.SetFillRule(rule->FillRuleValue() == QLatin1String("evenodd") ? pfrAlternate : pfrWinding);

  TPaint fill = ResolvePaint(AElement, AStyle, false);
  TPaint stroke = ResolvePaint(AElement, AStyle, true);
  const bool native = AGraphics->Native();
  float width = stroke.Kind != TPaint::None ? ResolveStrokeWidth(AStyle, AMatrix) : 0;
  if (!(width > 0)) stroke.Kind = TPaint::None;
  // GDI draws no line thinner than a pixel; GDI+ draws a thinner one
  // fainter, as SVG does.
  if (!native && stroke.Kind != TPaint::None) width = std::max(width, 1.0f);
  // A line has no inside.
  if (AElement->Type() == etLine) fill.Kind = TPaint::None;
  // What the back-end draws itself: solid colours (on GDI only opaque ones).
  auto direct = [&](const TPaint& p) { return p.Kind == TPaint::Solid && (native || p.Opacity >= 1); };

  // Strokes: libgdiplus puts half a pixel onto every point of a stroked
  // path when it anti-aliases (so that a one-pixel line at a whole
  // coordinate covers one row); SVG strokes sit centred on the geometry as
  // fills do, so the stroke's path is moved back by that half pixel.
  TKitGraphicsPath strokePath;
  if (stroke.Kind != TPaint::None) {
    strokePath.Assign(&path);
    if (native) strokePath.ApplyMatrix(MatrixCreateTranslation(-0.5f, -0.5f));
  }

  TKitGraphicsFill* f = AGraphics->Fill();
  TKitGraphicsStroke* s = AGraphics->Stroke();
  auto setFill = [&](const TPaint* p) {
    f->BeginUpdate();
    if (p == nullptr) {
      f->SetKind(gfkNone);
    } else {
      f->SetKind(gfkSolid);
      f->SetColor(p->Color);
      f->SetOpacity(p->Opacity);
    }
    f->EndUpdate();
  };
  auto setStroke = [&](const TPaint* p) {
    s->BeginUpdate();
    if (p == nullptr) {
      s->SetKind(gskNone);
    } else {
      s->SetKind(gskSolid);
      s->SetColor(p->Color);
      s->SetOpacity(p->Opacity);
      s->SetWidth(width);
    }
    s->EndUpdate();
  };
  if (fill.Kind != TPaint::None) {
    if (direct(fill)) {
      setFill(&fill);
      setStroke(nullptr);
      AGraphics->DrawPath(&path, pdmPath);
    } else {
      DrawPaintPicture(AGraphics, path, fill, false, 0, AElement, AMatrix);
    }
  }
  if (stroke.Kind != TPaint::None) {
    if (direct(stroke)) {
      setFill(nullptr);
      setStroke(&stroke);
      AGraphics->DrawPath(&strokePath, pdmPath);
    } else {
      DrawPaintPicture(AGraphics, strokePath, stroke, true, width, AElement, AMatrix);
    }
  }
}

void TKitGraphicsSVGImport::DrawImageElement(E* AElement, TKitGraphics* AGraphics, const TKitGraphicsMatrix& AMatrix) {
  TKitBitmap* bitmap = AElement->Bitmap();
  const float iw = float(bitmap->Width()), ih = float(bitmap->Height());
  TRectF r(AElement->X(), AElement->Y(), AElement->X() + AElement->Width(), AElement->Y() + AElement->Height());
  if (!(r.Width() > 0) || !(r.Height() > 0)) return;
  if (AElement->PreserveAspectRatio() != parNone && iw > 0 && ih > 0) {
    // Scaled up or down to fit the box whole (meet) or to cover it
    // (slice), placed by the alignment.
    const QString v = AElement->PreserveAspectRatioValue().simplified();
    const bool slice = v.contains(QLatin1String("slice"));
    const float scale = slice ? std::max(r.Width() / iw, r.Height() / ih) : std::min(r.Width() / iw, r.Height() / ih);
    const float dw = iw * scale, dh = ih * scale;
    const float ax = v.contains(QLatin1String("xMin")) ? 0 : v.contains(QLatin1String("xMax")) ? 1 : 0.5f;
    const float ay = v.contains(QLatin1String("YMin")) ? 0 : v.contains(QLatin1String("YMax")) ? 1 : 0.5f;
    const TRectF box = r;
    r = TRectF(box.Left + (box.Width() - dw) * ax, box.Top + (box.Height() - dh) * ay, 0, 0);
    r.Right = r.Left + dw;
    r.Bottom = r.Top + dh;
    if (slice) {
      // What lies beyond the box is cut off (the caller restores the clip).
      TKitGraphicsPath clip;
      clip.AddRectangle(box);
      MapPath(clip, AMatrix);
      AGraphics->Context()->ClipPath(&clip);
    }
  }
  const TKitGraphicsMatrix saved = AGraphics->GetMatrix();
  if (AMatrix.m12 == 0 && AMatrix.m21 == 0) {
    // Axis-aligned: the rectangle itself is mapped, which every back-end
    // draws (the GDI one takes no transforms).
    const TPointF a = TPointF(r.Left, r.Top) * AMatrix, b = TPointF(r.Right, r.Bottom) * AMatrix;
    r = TRectF(Safe(std::min(a.X, b.X)), Safe(std::min(a.Y, b.Y)), Safe(std::max(a.X, b.X)), Safe(std::max(a.Y, b.Y)));
    AGraphics->SetMatrix(MatrixIdentity());
  } else {
    AGraphics->SetMatrix(AMatrix);
  }
  AGraphics->DrawBitmap(r, bitmap, false, true, false, false);
  AGraphics->SetMatrix(saved);
}

void TKitGraphicsSVGImport::RenderElements(const TKitGraphicsSVGElementList& AList, TKitGraphics* AGraphics,
                                           float SX, float SY) {
  for (const auto& owned : AList) {
    TKitGraphicsSVGElement* e = owned.get();
    TKitGraphicsSaveState* state = AGraphics->SaveState();
    try {
      const TKitGraphicsMatrix matrix = CombinedElementMatrix(e) * FMatrix;
      // A class rule is merged into the element's own properties; a style
      // taken from elsewhere (through a clip path's rule) replaces them.
      TKitGraphicsSVGElement* style = (e->ClassRef() && !e->FClassApplied) ? e->ClassRef() : e;
      if (style->DisplayValue() == QLatin1String("none")) {
        AGraphics->RestoreState(state);
        continue;
      }
      if (TKitGraphicsSVGElement* clip = e->ClipPathRef()) {
        TKitGraphicsPath clipPath = KitSVGShapePath(clip);
        MapPath(clipPath, matrix);
        E* rule = Inherited(clip, [](E* x) { return x->ClipRuleValue() != E::DefaultValue(); });
        clipPath.SetFillRule(rule->ClipRuleValue() == QLatin1String("evenodd") ? pfrAlternate : pfrWinding);
        AGraphics->Context()->ClipPath(&clipPath);
      }
      switch (e->Type()) {
        case etContainer:
          if (e->HasElements()) RenderElements(e->Elements(), AGraphics, SX, SY);
          break;
        case etPolyline:
        case etPolygon:
        case etPath:
          if (!e->HasActivePath()) break;
          [[fallthrough]];
        case etRect:
        case etLine:
        case etCircle:
        case etEllipse: DrawShape(e, style, AGraphics, matrix); break;
        case etImage:
          if (e->HasBitmap()) DrawImageElement(e, AGraphics, matrix);
          break;
        case etText:
        case etTextSpan:
        case etTextSpanChild:
        case etTextPath: {
          if (e->Type() == etText) {
            TKitGraphicsFont* font = AGraphics->Font();
            font->BeginUpdate();
            font->SetName(e->FontFamily().isEmpty() ? QStringLiteral("Arial") : e->FontFamily());
            const float size = (e->FontSize() != 0 && e->HasFontSize()) ? e->FontSize() : 12.0f;
            TKitUtils::SetFontSize(font, std::clamp(size, 1.0f, 1000.0f));
            font->SetStyle(e->FontStyle());
            font->SetColor(e->FillColor() == -1 ? TColor(0) : e->FillColor());
            font->EndUpdate();
          }
          if (!e->Text().isEmpty()) {
            const TKitGraphicsMatrix saved = AGraphics->GetMatrix();
            const float h = AGraphics->CalculateTextHeight(e->Text());
            TPointF anchor(e->X(), e->Y() - h);
            if (e->Type() == etTextSpanChild && e->Parent() && e->Parent()->Type() == etTextSpan)
              anchor = TPointF(e->Parent()->X(), e->Parent()->Y() - h);
            const TKitGraphicsMatrix textMatrix = matrix * FTextMatrix;
            if (AGraphics->Native()) {
              AGraphics->SetMatrix(textMatrix);
            } else {
              // The GDI back-end takes no transforms: the anchor is mapped
              // instead (the text keeps its size).
              anchor = anchor * textMatrix;
              anchor = TPointF(Safe(anchor.X), Safe(anchor.Y));
            }
            AGraphics->DrawText(anchor, e->Text(), 0, true, false, -1, -1);
            AGraphics->SetMatrix(saved);
          }
          if (e->HasElements()) RenderElements(e->Elements(), AGraphics, SX, SY);
          break;
        }
        default:
          break;
      }
    } catch (...) {
      AGraphics->RestoreState(state);
      throw;
    }
    AGraphics->RestoreState(state);
  }
}

void TKitGraphicsSVGImport::DrawDocument(TKitGraphics* AGraphics, const TRectF& ARect, bool AFloorOffset,
                                         bool ANewScene, const TKitGraphicsMatrix* AOuter) {
  if (!HasElements()) return;
  const TRectF& v = FViewRect;
  const float vw = v.Right - v.Left, vh = v.Bottom - v.Top;
  if (!(vw > 0) || !(vh > 0) || !FiniteRect(v) || !FiniteRect(ARect)) return;
  float sx = (ARect.Right - ARect.Left) / vw;
  float sy = (ARect.Bottom - ARect.Top) / vh;
  if (sx == 0 || sy == 0 || !std::isfinite(sx) || !std::isfinite(sy)) return;
  // The root's viewBox keeps its proportions unless preserveAspectRatio is
  // "none": one scale for both axes (the smaller to show it whole, the
  // larger with "slice"), the rest of the target split by the alignment.
  float alignX = 0, alignY = 0;
  const QString& aspect = FRootAspectRatio;
  if (FHasRootViewBox && !aspect.startsWith(QLatin1String("none")) && sx != sy) {
    const bool slice = aspect.contains(QLatin1String("slice"));
    const float s = slice ? std::max(sx, sy) : std::min(sx, sy);
    const float fx = aspect.contains(QLatin1String("xMin")) ? 0 : aspect.contains(QLatin1String("xMax")) ? 1 : 0.5f;
    const float fy = aspect.contains(QLatin1String("YMin")) ? 0 : aspect.contains(QLatin1String("YMax")) ? 1 : 0.5f;
    alignX = ((ARect.Right - ARect.Left) - vw * s) * fx;
    alignY = ((ARect.Bottom - ARect.Top) - vh * s) * fy;
    sx = sy = s;
  }
  const float angle = float(double(FRotationAngle) * std::numbers::pi / 180);
  FMatrix = MatrixCreateTranslation(-vw / 2, -vh / 2) * MatrixCreateRotation(angle) *
            MatrixCreateTranslation(vw / 2, vh / 2);
  float ox = ARect.Left / sx, oy = ARect.Top / sy;
  if (AFloorOffset) {
    ox = std::floor(ox);
    oy = std::floor(oy);
  }
  FMatrix = FMatrix * MatrixCreateTranslation(-v.Left, -v.Top) * MatrixCreateTranslation(ox, oy) *
            MatrixCreateScaling(sx, sy) * MatrixCreateTranslation(alignX, alignY);
  if (AOuter) FMatrix = FMatrix * *AOuter;
  {
    // The target in device pixels, for the pictures of paints.
    TKitGraphicsPath target;
    target.AddRectangle(ARect);
    if (AOuter) target.ApplyMatrix(*AOuter);
    const TRectF t = target.GetBounds();
    FDeviceBounds = TRectF(t.Left - 1, t.Top - 1, t.Right + 1, t.Bottom + 1);
  }
  struct TRootStyle {
    E* Saved;
    explicit TRootStyle(E* ARoot) : Saved(gRootStyle) { gRootStyle = ARoot; }
    ~TRootStyle() { gRootStyle = Saved; }
  } rootStyle(FRootStyle.get());
  if (ANewScene) {
    TKitGraphicsContext* context = AGraphics->Context();
    context->SetSize(ARect.Right - ARect.Left, ARect.Bottom - ARect.Top);
    context->SetAntiAliasing(true);
    if (auto* graphics = static_cast<KitGDIPlusClasses::TGPGraphics*>(context->GetNativeCanvas())) {
      graphics->SetPixelOffsetMode(4);
      graphics->SetCompositingQuality(2);
    }
    AGraphics->BeginScene();
    RenderElements(FElementList, AGraphics, sx, sy);
    AGraphics->EndScene();
    context->Render();
  } else {
    RenderElements(FElementList, AGraphics, sx, sy);
  }
}

void TKitGraphicsSVGImport::Draw(TCanvas* ACanvas, const TRectF& ARect, bool ANative) {
  if (ACanvas == nullptr || !HasElements()) return;
  TKitGraphics graphics(ACanvas, ANative);
  DrawDocument(&graphics, ARect, true, ANative, nullptr);
}

void TKitGraphicsSVGImport::Draw(TKitGraphics* AGraphics, const TRectF& ARect, bool ANative, bool ARecreateGraphics) {
  if (AGraphics == nullptr || !HasElements()) return;
  if (!ARecreateGraphics) {
    DrawDocument(AGraphics, ARect, false, false, nullptr);
    return;
  }
  const TKitGraphicsMatrix outer = AGraphics->GetMatrix();
  TKitGraphics graphics(AGraphics->Canvas(), ANative);
  DrawDocument(&graphics, ARect, false, ANative, ANative ? &outer : nullptr);
}

std::unique_ptr<TKitBitmap> TKitGraphicsSVGImport::GenerateBitmap(float AWidth, float AHeight) {
  if (!HasElements()) return nullptr;
  auto result = std::make_unique<TKitBitmap>();
  TRectF target = FViewRect;
  if (AWidth > -1 && AHeight > -1) target = TRectF(0, 0, AWidth, AHeight);
  const TRectF& v = FViewRect;
  if (!(v.Right - v.Left > 0) || !(v.Bottom - v.Top > 0) || IsSentinel(v) || !FiniteRect(target)) return result;
  // The picture's size from the document: refused (an empty picture) when
  // it is not a sane number of pixels.
  const double w = std::round(double(target.Right)), h = std::round(double(target.Bottom));
  if (!(w >= 1) || !(h >= 1) || w > MaxBitmapSide || h > MaxBitmapSide || w * h > double(MaxBitmapPixels))
    return result;
  std::unique_ptr<TKitGraphics> graphics = TKitGraphics::CreateBitmapCanvas(int(w), int(h), false, true);
  graphics->BeginScene();
  try {
    Draw(graphics.get(), target, false, true);
  } catch (...) {
    graphics->EndScene();
    throw;
  }
  result->SetBitmap(graphics->Bitmap());
  graphics->EndScene();
  return result;
}
