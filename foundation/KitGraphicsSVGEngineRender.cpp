// Drawing an SVG document through the drawing facade.

#include <cmath>
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

void TKitGraphicsSVGImport::ApplyElementFill(TKitGraphicsSVGElement* AElement, TKitGraphicsSVGElement* AStyle,
                                             TKitGraphics* AGraphics, const TKitGraphicsMatrix& AMatrix) {
  TKitGraphicsFill* fill = AGraphics->Fill();
  if (TKitGraphicsSVGElement* paint = AElement->PatternRef()) {
    // Stops come from the gradient the reference names when this one has
    // none of its own; its geometry is its own.
    TKitGraphicsSVGElement* stops = paint;
    auto hasStops = [](TKitGraphicsSVGElement* g) {
      if (!g->HasElements()) return false;
      for (const auto& c : g->Elements())
        if (c->Type() == etStop) return true;
      return false;
    };
    for (int hops = 0; !hasStops(stops) && stops->HRefRef() != nullptr && hops < 8; ++hops) stops = stops->HRefRef();
    fill->BeginUpdate();
    fill->SetKind(gfkGradient);
    fill->SetGradientMode(gfgmCollection);
    fill->ClearGradientItems();
    if (paint->Type() == etLinearGradient) {
      fill->SetGradientType(gfgtLinear);
      fill->SetOrientation(gfoCustom);
      fill->SetGradientAngle(
          GradientAngleFromPoints(TPointF(paint->X(), paint->Y()), TPointF(paint->Width(), paint->Height())));
    } else if (paint->Type() == etRadialGradient) {
      fill->SetGradientType(gfgtRadial);
      TKitGraphicsPath shape = KitSVGShapePath(AElement);
      MapPath(shape, AMatrix);
      const TRectF b = shape.GetBounds();
      const float cx = paint->HasCX() ? paint->CX() : 50;
      const float cy = paint->HasCY() ? paint->CY() : 50;
      fill->SetGradientCenterPoint(TPointF(b.Left + b.Width() * cx / 100, b.Top + b.Height() * cy / 100));
    }
    if (stops->HasElements())
      for (const auto& c : stops->Elements())
        if (c->Type() == etStop)
          fill->AddGradientItem(PaintColor(c->StopColor(), -1), c->Offset(), c->StopOpacity());
    fill->EndUpdate();
    return;
  }
  TKitGraphicsSVGElement* e = AStyle;
  while (e->FillColorValue() == TKitGraphicsSVGElement::DefaultValue() && e->Parent() != nullptr) e = e->Parent();
  fill->BeginUpdate();
  if (e->HasFillColor()) {
    fill->SetKind(gfkSolid);
    fill->SetColor(PaintColor(e->FillColor(), FCustomFillColor));
  } else if (e->FillColorValue() != TKitGraphicsSVGElement::DefaultValue()) {
    fill->SetKind(gfkNone);
  } else {
    fill->SetKind(gfkSolid);
    TColor color = 0;
    if (FGrayScale)
      color = 0x808080;
    else if (FTintColor != -1)
      color = FTintColor;
    else if (FCustomFillColor != -1)
      color = FCustomFillColor;
    fill->SetColor(color);
  }
  fill->EndUpdate();
}

void TKitGraphicsSVGImport::ApplyElementStroke(TKitGraphicsSVGElement* AStyle, TKitGraphics* AGraphics) {
  TKitGraphicsSVGElement* e = AStyle;
  while (e->StrokeColorValue() == TKitGraphicsSVGElement::DefaultValue() && e->Parent() != nullptr) e = e->Parent();
  TKitGraphicsStroke* stroke = AGraphics->Stroke();
  stroke->BeginUpdate();
  if (!e->HasStrokeColor()) {
    stroke->SetKind(gskNone);
  } else {
    stroke->SetKind(gskSolid);
    stroke->SetColor(PaintColor(e->StrokeColor(), FCustomStrokeColor));
  }
  stroke->EndUpdate();
}

void TKitGraphicsSVGImport::ApplyElementStrokeWidth(TKitGraphicsSVGElement* AStyle, TKitGraphics* AGraphics,
                                                    float SX) {
  TKitGraphicsSVGElement* e = AStyle;
  while (!e->HasStrokeWidth() && e->Parent() != nullptr) e = e->Parent();
  float width = 1;
  if (e->HasStrokeWidth()) {
    width = e->StrokeWidth() * SX;
    if (!std::isfinite(width)) width = 1;
    width = std::clamp(width, 1.0f, CoordinateLimit);
  }
  AGraphics->Stroke()->SetWidth(width);
}

void TKitGraphicsSVGImport::ApplyElementOpacity(TKitGraphicsSVGElement* AStyle, TKitGraphics* AGraphics) {
  TKitGraphicsSVGElement* e = AStyle;
  while (!e->HasOpacity() && e->Parent() != nullptr) e = e->Parent();
  float opacity = 1;
  if (FCustomOpacity != -1)
    opacity = FCustomOpacity;
  else if (e->HasOpacity())
    opacity = e->Opacity();
  if (!std::isfinite(opacity)) opacity = 1;
  opacity = std::clamp(opacity, 0.0f, 1.0f);
  AGraphics->Fill()->SetOpacity(opacity);
  AGraphics->Stroke()->SetOpacity(opacity);
}

void TKitGraphicsSVGImport::RenderElements(const TKitGraphicsSVGElementList& AList, TKitGraphics* AGraphics,
                                           float SX, float SY) {
  for (const auto& owned : AList) {
    TKitGraphicsSVGElement* e = owned.get();
    TKitGraphicsSaveState* state = AGraphics->SaveState();
    try {
      const TKitGraphicsMatrix matrix = CombinedElementMatrix(e) * FMatrix;
      TKitGraphicsSVGElement* style = e->ClassRef() ? e->ClassRef() : e;
      if (style->DisplayValue() == QLatin1String("none")) {
        AGraphics->RestoreState(state);
        continue;
      }
      ApplyElementFill(e, style, AGraphics, matrix);
      ApplyElementStroke(style, AGraphics);
      ApplyElementStrokeWidth(style, AGraphics, SX);
      ApplyElementOpacity(style, AGraphics);
      if (TKitGraphicsSVGElement* clip = e->ClipPathRef()) {
        TKitGraphicsPath clipPath = KitSVGShapePath(clip);
        MapPath(clipPath, matrix);
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
        case etEllipse: {
          TKitGraphicsPath path = KitSVGShapePath(e);
          if (path.Count() == 0) break;
          MapPath(path, matrix);
          AGraphics->DrawPath(&path, pdmPath);
          break;
        }
        case etImage:
          if (e->HasBitmap()) {
            const TKitGraphicsMatrix saved = AGraphics->GetMatrix();
            TRectF r(e->X(), e->Y(), e->X() + e->Width(), e->Y() + e->Height());
            if (matrix.m12 == 0 && matrix.m21 == 0) {
              // Axis-aligned: the rectangle itself is mapped, which every
              // back-end draws (the GDI one takes no transforms).
              const TPointF a = TPointF(r.Left, r.Top) * matrix, b = TPointF(r.Right, r.Bottom) * matrix;
              r = TRectF(Safe(std::min(a.X, b.X)), Safe(std::min(a.Y, b.Y)), Safe(std::max(a.X, b.X)),
                         Safe(std::max(a.Y, b.Y)));
              AGraphics->SetMatrix(MatrixIdentity());
            } else {
              AGraphics->SetMatrix(matrix);
            }
            const bool none = e->PreserveAspectRatio() == parNone;
            AGraphics->DrawBitmap(r, e->Bitmap(), !none, none, true, false);
            AGraphics->SetMatrix(saved);
          }
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
  const float sx = (ARect.Right - ARect.Left) / vw;
  const float sy = (ARect.Bottom - ARect.Top) / vh;
  if (sx == 0 || sy == 0 || !std::isfinite(sx) || !std::isfinite(sy)) return;
  const float angle = float(double(FRotationAngle) * std::numbers::pi / 180);
  FMatrix = MatrixCreateTranslation(-vw / 2, -vh / 2) * MatrixCreateRotation(angle) *
            MatrixCreateTranslation(vw / 2, vh / 2);
  float ox = ARect.Left / sx, oy = ARect.Top / sy;
  if (AFloorOffset) {
    ox = std::floor(ox);
    oy = std::floor(oy);
  }
  FMatrix = FMatrix * MatrixCreateTranslation(-v.Left, -v.Top) * MatrixCreateTranslation(ox, oy) *
            MatrixCreateScaling(sx, sy);
  if (AOuter) FMatrix = FMatrix * *AOuter;
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
