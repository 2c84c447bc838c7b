// The drawing context's path conversion and the facade: construction,
// attributes, shapes, pictures, colours and hit tests. Text and the control
// parts are in KitGraphicsText.cpp and KitGraphicsParts.cpp.
#include "foundation/KitGraphics.h"

#include "foundation/KitGraphicsSVGEngine.h"

#include <QLoggingCategory>
#include <cmath>

#include "foundation/KitUtils.h"
#include "platform/rtl/MessageText.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/SysUtils.h"

Q_LOGGING_CATEGORY(lcKitGraphics, "tf.graphics")

TF_PUBLISHED(TKitGraphicsContext, TObject) { return TPublished<TKitGraphicsContext>(); }

TF_PUBLISHED(TKitGraphics, TObject) {
  using G = TKitGraphics;
  return TPublished<G>()
      .Boolean("OptimizedHTMLDrawing", &G::OptimizedHTMLDrawing, &G::SetOptimizedHTMLDrawing)
      .Color("HighlightColor", &G::HighlightColor, &G::SetHighlightColor)
      .Color("HighlightTextColor", &G::HighlightTextColor, &G::SetHighlightTextColor)
      .Set("HighlightFontStyle", &G::HighlightFontStyle, &G::SetHighlightFontStyle)
      .Color("URLColor", &G::URLColor, &G::SetURLColor)
      .Default(0xFF0000)
      .Boolean("URLUnderline", &G::URLUnderline, &G::SetURLUnderline)
      .Default(true);
}

// ---------------------------------------------------------------------------
// Context

TCanvas* TKitGraphicsContext::Canvas() const { return FGraphics ? FGraphics->Canvas() : nullptr; }

void TKitGraphicsContext::FillAndDrawEllipse(TKitGraphicsFill* AFill, TKitGraphicsStroke* AStroke,
                                             const TRectF& ARect, TKitGraphicsModifyRectMode AModifyRectMode) {
  FillEllipse(AFill, ARect, AModifyRectMode);
  DrawEllipse(AStroke, ARect, AModifyRectMode);
}

void* TKitGraphicsContext::ConvertToPath(TKitGraphicsPath* APath, float Flatness) {
  void* result = CreatePath();
  if (APath == nullptr || APath->Count() == 0) return result;
  const float step = (std::isnan(Flatness) || Flatness > 0.05f) ? Flatness : 0.05f;
  const TKitGraphicsPathPoints& points = APath->PathData();
  TPointF last;
  const size_t n = points.size();
  for (size_t i = 0; i < n; ++i) {
    const TKitGraphicsPathPoint& p = points[i];
    switch (p.Kind) {
      case gppMoveTo:
        PathOpen(result);
        PathMoveTo(result, p.Point);
        last = p.Point;
        break;
      case gppLineTo:
        PathLineTo(result, p.Point);
        last = p.Point;
        break;
      case gppCurveTo: {
        if (i + 2 >= n) {
          // A curve without its second control and end point: a line to what
          // there is, so that no point beyond the list is read.
          PathLineTo(result, points[n - 1].Point);
          last = points[n - 1].Point;
          i = n;
          break;
        }
        const TKitGraphicsPathCubicBezier bezier{last, p.Point, points[i + 1].Point, points[i + 2].Point};
        const TKitGraphicsPathPolygon probe = TKitGraphicsPath::CreateBezier(bezier, 6);
        double length = 0;
        for (size_t k = 1; k < probe.size(); ++k)
          length += std::hypot(double(probe[k].X) - probe[k - 1].X, double(probe[k].Y) - probe[k - 1].Y);
        double count = length / step;
        // Unbounded coordinates must not turn into millions of segments.
        if (!std::isfinite(count) || count > TKitGraphicsPath::MaxCurveSegments)
          count = TKitGraphicsPath::MaxCurveSegments;
        const int segments = int(Round(count));
        if (segments >= 2) {
          for (const TPointF& s : TKitGraphicsPath::CreateBezier(bezier, segments)) PathLineTo(result, s);
        } else {
          PathLineTo(result, bezier[3]);
        }
        last = bezier[3];
        i += 2;
        break;
      }
      case gppClose:
        PathClose(result);
        break;
    }
  }
  return result;
}

// ---------------------------------------------------------------------------
// Back-end choice

namespace {

TKitGraphicsContextFactory& ContextOverride() {
  static TKitGraphicsContextFactory factory;
  return factory;
}

TKitGraphics::TPictureContainerLookup& PictureLookup() {
  static TKitGraphics::TPictureContainerLookup lookup;
  return lookup;
}

bool PictureEmpty(TPicture* APicture) {
  return APicture == nullptr || APicture->Graphic() == nullptr || APicture->Graphic()->Empty();
}

TRectF RectF(double L, double T, double R, double B) { return TRectF(float(L), float(T), float(R), float(B)); }

}  // namespace

TKitGraphicsContextOverride::TKitGraphicsContextOverride(TKitGraphicsContextFactory AFactory)
    : FSaved(ContextOverride()) {
  ContextOverride() = std::move(AFactory);
}

TKitGraphicsContextOverride::~TKitGraphicsContextOverride() { ContextOverride() = std::move(FSaved); }

TKitGraphicsControlPartColors& ControlPartColors() {
  static TKitGraphicsControlPartColors colors;
  return colors;
}

void TKitGraphics::SetPictureContainerLookup(TPictureContainerLookup ALookup) { PictureLookup() = std::move(ALookup); }

// ---------------------------------------------------------------------------
// Construction

TKitGraphics::TKitGraphics(TCanvas* ACanvas, bool ANative) {
  FNative = ANative;
  FActiveCanvas = ACanvas;
  CreateContext(ANative);
  Context()->SetSize(1, 1);
  CreateAttributes();
  FHighlightColor = 0xFF0000;
  FHighlightTextColor = 0xFFFFFF;
  FHighlightFontStyles = {};
  FURLColor = 0xFF0000;
  FURLUnderline = true;
  SetFill(FFill.get());
  SetStroke(FStroke.get());
  SetFont(FFont.get());
}

TKitGraphics::TKitGraphics(TBitmapCanvasTag, int AWidth, int AHeight, bool ANative) {
  FNative = ANative;
  FBitmap = std::make_unique<TBitmap>();
  FBitmap->SetSize(std::max(AWidth, 0), std::max(AHeight, 0));
  FActiveCanvas = FBitmap->Canvas();
  CreateContext(ANative);
  Context()->SetSize(float(AWidth), float(AHeight));
  CreateAttributes();
  FURLColor = 0xFF0000;
  FURLUnderline = true;
  SetFill(FFill.get());
  SetStroke(FStroke.get());
  SetFont(FFont.get());
}

std::unique_ptr<TKitGraphics> TKitGraphics::CreateNative(TCanvas* ACanvas) {
  return std::make_unique<TKitGraphics>(ACanvas, true);
}

std::unique_ptr<TKitGraphics> TKitGraphics::CreateBitmapCanvas(int AWidth, int AHeight, bool ANative, bool) {
  return std::unique_ptr<TKitGraphics>(new TKitGraphics(TBitmapCanvasTag{}, AWidth, AHeight, ANative));
}

std::unique_ptr<TKitGraphics> TKitGraphics::CreateNativeBitmapCanvas(int AWidth, int AHeight) {
  return CreateBitmapCanvas(AWidth, AHeight, true, true);
}

void TKitGraphics::CreateContext(bool ANative) {
  TKitGraphicsContextFactory factory =
      ContextOverride() ? ContextOverride() : (ANative ? GetNativeContextClass() : GetGeneralContextClass());
  if (ANative)
    FContextNative = factory(this);
  else
    FContextGeneral = factory(this);
}

void TKitGraphics::CreateAttributes() {
  FFill = std::make_unique<TKitGraphicsFill>(gfkSolid, 0xFFFFFF);
  FStroke = std::make_unique<TKitGraphicsStroke>(gskSolid, 0xC0C0C0);
  FFont = std::make_unique<TKitGraphicsFont>();
  FFill->OnChanged = [this](TObject*) { SetFill(FFill.get()); };
  FStroke->OnChanged = [this](TObject*) { SetStroke(FStroke.get()); };
  FFont->OnChanged = [this](TObject*) { SetFont(FFont.get()); };
}

TKitGraphics::~TKitGraphics() {
  FContextNative.reset();
  FContextGeneral.reset();
  if (FFont) FFont->OnChanged = nullptr;
  if (FFill) FFill->OnChanged = nullptr;
  if (FStroke) FStroke->OnChanged = nullptr;
  FPictureContainer = nullptr;
  FImageList = nullptr;
}

// ---------------------------------------------------------------------------
// Attributes

#define KIT_GRAPHICS_SETTER(Name, Type, Update) \
  void TKitGraphics::Name(Type AValue) {        \
    if (FBlockUpdate > 0) return;               \
    ++FBlockUpdate;                             \
    try {                                       \
      Context()->Name(AValue);                  \
      Update;                                   \
    } catch (...) {                             \
      --FBlockUpdate;                           \
      throw;                                    \
    }                                           \
    --FBlockUpdate;                             \
  }

KIT_GRAPHICS_SETTER(SetFill, TKitGraphicsFill*, if (AValue != FFill.get()) FFill->Assign(AValue))
KIT_GRAPHICS_SETTER(SetStroke, TKitGraphicsStroke*, if (AValue != FStroke.get()) FStroke->Assign(AValue))
KIT_GRAPHICS_SETTER(SetFont, TKitGraphicsFont*, if (AValue != FFont.get()) FFont->AssignSource(AValue))
KIT_GRAPHICS_SETTER(SetFillKind, TKitGraphicsFillKind, FFill->SetKind(AValue))
KIT_GRAPHICS_SETTER(SetFillColor, TColor, FFill->SetColor(AValue))
KIT_GRAPHICS_SETTER(SetFontColor, TColor, FFont->SetColor(AValue))
KIT_GRAPHICS_SETTER(SetFontName, const QString&, FFont->SetName(AValue))
KIT_GRAPHICS_SETTER(SetFontSize, int, FFont->SetSize(AValue))
KIT_GRAPHICS_SETTER(SetFontStyles, TFontStyles, FFont->SetStyle(AValue))
KIT_GRAPHICS_SETTER(SetStrokeKind, TKitGraphicsStrokeKind, FStroke->SetKind(AValue))
KIT_GRAPHICS_SETTER(SetStrokeColor, TColor, FStroke->SetColor(AValue))
KIT_GRAPHICS_SETTER(SetStrokeWidth, float, FStroke->SetWidth(AValue))

#undef KIT_GRAPHICS_SETTER

void TKitGraphics::Assign(TKitGraphics* ASource) {
  if (ASource == nullptr) return;
  FFill->BeginUpdate();
  FFill->Assign(ASource->Fill());
  FFill->EndUpdate();
  FStroke->BeginUpdate();
  FStroke->Assign(ASource->Stroke());
  FStroke->EndUpdate();
  FFont->BeginUpdate();
  FFont->AssignSource(ASource->Font());
  FFont->EndUpdate();
}

// ---------------------------------------------------------------------------
// State

void TKitGraphics::BeginScene() { Context()->BeginScene(); }
void TKitGraphics::EndScene() { Context()->EndScene(); }
void TKitGraphics::BeginPrinting() { Context()->BeginPrinting(); }
void TKitGraphics::EndPrinting() { Context()->EndPrinting(); }
void TKitGraphics::StartSpecialPen() { Context()->StartSpecialPen(); }
void TKitGraphics::StopSpecialPen() { Context()->StopSpecialPen(); }
TKitGraphicsMatrix TKitGraphics::GetMatrix() { return Context()->GetMatrix(); }
void TKitGraphics::SetMatrix(const TKitGraphicsMatrix& AMatrix) { Context()->SetMatrix(AMatrix); }
void TKitGraphics::ClipRect(const TRectF& ARect) { Context()->ClipRect(ARect); }
void TKitGraphics::ClipRect(const TRect& ARect) { ClipRect(RectToRectF(ARect)); }

TKitGraphicsSaveState* TKitGraphics::SaveState(bool ACanvasOnly) {
  auto state = std::make_unique<TKitGraphicsSaveState>();
  if (!ACanvasOnly) {
    state->Fill()->Assign(FFill.get());
    state->Stroke()->Assign(FStroke.get());
    state->Font()->AssignSource(FFont.get());
  }
  Context()->SaveState(state.get());
  return state.release();
}

void TKitGraphics::RestoreState(TKitGraphicsSaveState* AState, bool ACanvasOnly) {
  std::unique_ptr<TKitGraphicsSaveState> owned(AState);
  if (!owned) return;
  if (!ACanvasOnly) {
    SetFill(owned->Fill());
    SetStroke(owned->Stroke());
    SetFont(owned->Font());
  }
  Context()->RestoreState(owned.get());
}

// ---------------------------------------------------------------------------
// Shapes

bool TKitGraphics::FillVisible() const {
  return (FFill->Color() != gcNoColor && FFill->Kind() != gfkNone) || FFill->Kind() == gfkTexture;
}

bool TKitGraphics::StrokeVisible() const { return FStroke->Color() != gcNoColor && FStroke->Kind() != gskNone; }

void TKitGraphics::DrawLine(const TPointF& AFromPoint, const TPointF& AToPoint,
                            TKitGraphicsModifyPointMode AModifyPointModeFrom,
                            TKitGraphicsModifyPointMode AModifyPointModeTo) {
  if (StrokeVisible())
    Context()->DrawLine(FStroke.get(), AFromPoint, AToPoint, AModifyPointModeFrom, AModifyPointModeTo);
}

void TKitGraphics::DrawLine(const TPoint& AFromPoint, const TPoint& AToPoint,
                            TKitGraphicsModifyPointMode AModifyPointModeFrom,
                            TKitGraphicsModifyPointMode AModifyPointModeTo) {
  DrawLine(PointToPointF(AFromPoint), PointToPointF(AToPoint), AModifyPointModeFrom, AModifyPointModeTo);
}

void TKitGraphics::DrawPolygon(const TKitGraphicsPathPolygon& APolygon) {
  if (FillVisible()) {
    if (FFill->Kind() == gfkTexture) {
      TKitGraphicsPath path;
      path.AddPolygon(APolygon);
      DrawTexture(path.GetBounds());
    } else {
      Context()->FillPolygon(FFill.get(), APolygon);
    }
  }
  if (StrokeVisible()) Context()->DrawPolygon(FStroke.get(), APolygon);
}

void TKitGraphics::DrawPolyline(const TKitGraphicsPathPolygon& APolyline) {
  if (FillVisible()) Context()->FillPolyline(FFill.get(), APolyline);
  if (StrokeVisible()) Context()->DrawPolyline(FStroke.get(), APolyline);
}

void TKitGraphics::DrawPath(TKitGraphicsPath* APath, TKitGraphicsPathDrawMode APathMode) {
  if (APath == nullptr) return;
  if (FillVisible()) {
    if (FFill->Kind() == gfkTexture)
      DrawTexture(APath->GetBounds());
    else
      Context()->FillPath(FFill.get(), APath, APathMode);
  }
  if (StrokeVisible()) Context()->DrawPath(FStroke.get(), APath, APathMode);
}

void TKitGraphics::DrawArc(const TPointF& Center, const TPointF& Radius, float StartAngle, float SweepAngle) {
  if (FFill->Color() != gcNoColor && FFill->Kind() != gfkNone) {
    if (FFill->Kind() == gfkTexture) {
      TKitGraphicsPath path;
      path.AddArc(Center, Radius, StartAngle, SweepAngle);
      DrawTexture(path.GetBounds());
    } else {
      Context()->FillArc(FFill.get(), Center, Radius, StartAngle, SweepAngle);
    }
  }
  if (StrokeVisible()) Context()->DrawArc(FStroke.get(), Center, Radius, StartAngle, SweepAngle);
}

void TKitGraphics::DrawArc(const TPoint& Center, const TPoint& Radius, int StartAngle, int SweepAngle) {
  DrawArc(PointToPointF(Center), PointToPointF(Radius), float(StartAngle), float(SweepAngle));
}

void TKitGraphics::DrawRectangle(double ALeft, double ATop, double ARight, double ABottom, TKitGraphicsSides ASides,
                                 TKitGraphicsModifyRectMode AModifyRectMode) {
  const TRectF r = RectF(ALeft, ATop, ARight, ABottom);
  if (FillVisible()) {
    if (FFill->Kind() == gfkTexture)
      DrawTexture(r);
    else
      Context()->FillRect(FFill.get(), r, AModifyRectMode);
  }
  if (StrokeVisible()) Context()->DrawRect(FStroke.get(), r, ASides, AModifyRectMode);
}

void TKitGraphics::DrawRectangle(double ALeft, double ATop, double ARight, double ABottom,
                                 TKitGraphicsModifyRectMode AModifyRectMode) {
  DrawRectangle(ALeft, ATop, ARight, ABottom, AllSides(), AModifyRectMode);
}
void TKitGraphics::DrawRectangle(const TRectF& ARect, TKitGraphicsModifyRectMode AModifyRectMode) {
  DrawRectangle(double(ARect.Left), double(ARect.Top), double(ARect.Right), double(ARect.Bottom), AllSides(),
                AModifyRectMode);
}
void TKitGraphics::DrawRectangle(const TRectF& ARect, TKitGraphicsSides ASides,
                                 TKitGraphicsModifyRectMode AModifyRectMode) {
  DrawRectangle(double(ARect.Left), double(ARect.Top), double(ARect.Right), double(ARect.Bottom), ASides,
                AModifyRectMode);
}
void TKitGraphics::DrawRectangle(int ALeft, int ATop, int ARight, int ABottom,
                                 TKitGraphicsModifyRectMode AModifyRectMode) {
  DrawRectangle(double(ALeft), double(ATop), double(ARight), double(ABottom), AllSides(), AModifyRectMode);
}
void TKitGraphics::DrawRectangle(int ALeft, int ATop, int ARight, int ABottom, TKitGraphicsSides ASides,
                                 TKitGraphicsModifyRectMode AModifyRectMode) {
  DrawRectangle(double(ALeft), double(ATop), double(ARight), double(ABottom), ASides, AModifyRectMode);
}
void TKitGraphics::DrawRectangle(const TRect& ARect, TKitGraphicsModifyRectMode AModifyRectMode) {
  DrawRectangle(ARect.Left, ARect.Top, ARect.Right, ARect.Bottom, AllSides(), AModifyRectMode);
}
void TKitGraphics::DrawRectangle(const TRect& ARect, TKitGraphicsSides ASides,
                                 TKitGraphicsModifyRectMode AModifyRectMode) {
  DrawRectangle(ARect.Left, ARect.Top, ARect.Right, ARect.Bottom, ASides, AModifyRectMode);
}

void TKitGraphics::DrawEllipse(double ALeft, double ATop, double ARight, double ABottom,
                               TKitGraphicsModifyRectMode AModifyRectMode) {
  const TRectF r = RectF(ALeft, ATop, ARight, ABottom);
  // Fill then stroke, both handed over at once so that a back-end may draw
  // them in one pass.
  if (FFill->Kind() != gfkTexture && FillVisible() && StrokeVisible()) {
    Context()->FillAndDrawEllipse(FFill.get(), FStroke.get(), r, AModifyRectMode);
    return;
  }
  if (FillVisible()) {
    if (FFill->Kind() == gfkTexture)
      DrawTexture(r);
    else
      Context()->FillEllipse(FFill.get(), r, AModifyRectMode);
  }
  if (StrokeVisible()) Context()->DrawEllipse(FStroke.get(), r, AModifyRectMode);
}
void TKitGraphics::DrawEllipse(int ALeft, int ATop, int ARight, int ABottom,
                               TKitGraphicsModifyRectMode AModifyRectMode) {
  DrawEllipse(double(ALeft), double(ATop), double(ARight), double(ABottom), AModifyRectMode);
}
void TKitGraphics::DrawEllipse(const TRectF& ARect, TKitGraphicsModifyRectMode AModifyRectMode) {
  DrawEllipse(double(ARect.Left), double(ARect.Top), double(ARect.Right), double(ARect.Bottom), AModifyRectMode);
}
void TKitGraphics::DrawEllipse(const TRect& ARect, TKitGraphicsModifyRectMode AModifyRectMode) {
  DrawEllipse(ARect.Left, ARect.Top, ARect.Right, ARect.Bottom, AModifyRectMode);
}

void TKitGraphics::DrawRoundRectangle(double ALeft, double ATop, double ARight, double ABottom, float ARounding,
                                      TKitGraphicsCorners ACorners, TKitGraphicsModifyRectMode AModifyRectMode) {
  const TRectF r = RectF(ALeft, ATop, ARight, ABottom);
  if (FillVisible()) {
    if (FFill->Kind() == gfkTexture)
      DrawTexture(r);
    else
      Context()->FillRoundRect(FFill.get(), r, ARounding, ACorners, AModifyRectMode);
  }
  if (StrokeVisible()) Context()->DrawRoundRect(FStroke.get(), r, ARounding, ACorners, AModifyRectMode);
}
void TKitGraphics::DrawRoundRectangle(const TRectF& ARect, float ARounding, TKitGraphicsCorners ACorners,
                                      TKitGraphicsModifyRectMode AModifyRectMode) {
  DrawRoundRectangle(double(ARect.Left), double(ARect.Top), double(ARect.Right), double(ARect.Bottom), ARounding,
                     ACorners, AModifyRectMode);
}
void TKitGraphics::DrawRoundRectangle(int ALeft, int ATop, int ARight, int ABottom, int ARounding,
                                      TKitGraphicsCorners ACorners, TKitGraphicsModifyRectMode AModifyRectMode) {
  DrawRoundRectangle(double(ALeft), double(ATop), double(ARight), double(ABottom), float(ARounding), ACorners,
                     AModifyRectMode);
}
void TKitGraphics::DrawRoundRectangle(const TRect& ARect, int ARounding, TKitGraphicsCorners ACorners,
                                      TKitGraphicsModifyRectMode AModifyRectMode) {
  DrawRoundRectangle(ARect.Left, ARect.Top, ARect.Right, ARect.Bottom, ARounding, ACorners, AModifyRectMode);
}

void TKitGraphics::DrawFocusRectangle(double ALeft, double ATop, double ARight, double ABottom, TColor AColor,
                                      TKitGraphicsModifyRectMode AModifyRectMode) {
  Context()->DrawFocusRectangle(FStroke.get(), RectF(ALeft, ATop, ARight, ABottom), AColor, AModifyRectMode);
}
void TKitGraphics::DrawFocusRectangle(int ALeft, int ATop, int ARight, int ABottom, TColor AColor,
                                      TKitGraphicsModifyRectMode AModifyRectMode) {
  DrawFocusRectangle(double(ALeft), double(ATop), double(ARight), double(ABottom), AColor, AModifyRectMode);
}
void TKitGraphics::DrawFocusRectangle(const TRect& ARect, TColor AColor, TKitGraphicsModifyRectMode AModifyRectMode) {
  DrawFocusRectangle(ARect.Left, ARect.Top, ARect.Right, ARect.Bottom, AColor, AModifyRectMode);
}
void TKitGraphics::DrawFocusRectangle(const TRectF& ARect, TColor AColor,
                                      TKitGraphicsModifyRectMode AModifyRectMode) {
  DrawFocusRectangle(double(ARect.Left), double(ARect.Top), double(ARect.Right), double(ARect.Bottom), AColor,
                     AModifyRectMode);
}
void TKitGraphics::DrawFocusPath(TKitGraphicsPath* APath, TColor AColor) {
  Context()->DrawFocusPath(FStroke.get(), APath, AColor);
}

// ---------------------------------------------------------------------------
// Textures

void TKitGraphics::DrawTexture(const TRectF& ARect) {
  TKitBitmap* texture = FFill->Texture();
  if (PictureEmpty(texture)) return;
  const float w = float(texture->Width());
  const float h = float(texture->Height());
  switch (FFill->TextureMode()) {
    case gtmOriginal: {
      const TRectF i = RectFIntersection(ARect, TRectF(ARect.Left, ARect.Top, ARect.Left + w, ARect.Top + h));
      DrawBitmapPart(TRectF(0, 0, i.Width(), i.Height()),
                     TRectF(ARect.Left, ARect.Top, ARect.Left + i.Width(), ARect.Top + i.Height()), texture, false,
                     false, false, false);
      break;
    }
    case gtmFit: {
      TRectF fitted = RectFFitIn(TRectF(0, 0, w, h), ARect);
      TRectF snapped;
      RectFSnapToPixels(fitted, false, snapped, 1);
      DrawBitmapPart(TRectF(0, 0, w, h), snapped, texture, false, true, false, false);
      break;
    }
    case gtmStretch:
      DrawBitmapPart(TRectF(0, 0, w, h), ARect, texture, false, true, false, false);
      break;
    case gtmCenter: {
      TRectF centred = RectFCenterIn(TRectF(0, 0, w, h), ARect);
      TRectF snapped;
      RectFSnapToPixels(centred, false, snapped, 1);
      DrawBitmapPart(TRectF(0, 0, w, h), snapped, texture, true, false, true, false);
      break;
    }
    case gtmTile: {
      if (w <= 0 || h <= 0) return;
      const int columns = int(std::trunc(ARect.Width() / w)) + 1;
      const int rows = int(std::trunc(ARect.Height() / h)) + 1;
      for (int i = 0; i <= columns; ++i) {
        for (int j = 0; j <= rows; ++j) {
          const TRectF tile(ARect.Left + i * w, ARect.Top + j * h, ARect.Left + i * w + w, ARect.Top + j * h + h);
          const TRectF common = RectFIntersection(tile, ARect);
          if (RectFOverlaps(common, tile))
            DrawBitmap(double(tile.Left), double(tile.Top), double(tile.Right), double(tile.Bottom), texture, false,
                       false, false, false);
        }
      }
      break;
    }
  }
}

// ---------------------------------------------------------------------------
// Pictures

void TKitGraphics::GetAspectSize(float& AWidth, float& AHeight, float AOriginalWidth, float AOriginalHeight,
                                 float ANewWidth, float ANewHeight, bool AAspectRatio, bool AStretch, bool) {
  const float ow = AOriginalWidth, oh = AOriginalHeight, nw = ANewWidth, nh = ANewHeight;
  if (AAspectRatio) {
    if (ow <= 0 || oh <= 0 || nw <= 0 || nh <= 0) {
      AWidth = 0;
      AHeight = 0;
    } else if (ow < nw && oh < nh && !AStretch) {
      AWidth = ow;
      AHeight = oh;
    } else if (nw / nh > ow / oh) {
      AWidth = nh * ow / oh;
      AHeight = nh;
    } else {
      AWidth = nw;
      AHeight = nw * oh / ow;
    }
  } else if (AStretch) {
    AWidth = nw;
    AHeight = nh;
  } else {
    AWidth = ow;
    AHeight = oh;
  }
}

TRectF TKitGraphics::GetBitmapDrawRectangle(double ALeft, double ATop, double ARight, double ABottom,
                                            TPicture* ABitmap, bool AAspectRatio, bool AStretch, bool ACenter,
                                            bool ACropping) {
  if (ABitmap == nullptr) return TRectF(0, 0, 0, 0);
  float w = 0, h = 0;
  const double width = ARight - ALeft, height = ABottom - ATop;
  GetAspectSize(w, h, float(ABitmap->Width()), float(ABitmap->Height()), float(width), float(height), AAspectRatio,
                AStretch, ACropping);
  double x = 0, y = 0;
  if (ACenter || ACropping) {
    x = double(Round((width - w) / 2));
    y = double(Round((height - h) / 2));
  }
  return RectF(ALeft + x, ATop + y, ALeft + x + w, ATop + y + h);
}

TRectF TKitGraphics::GetBitmapDrawRectangle(const TRectF& ARect, TPicture* ABitmap, bool AAspectRatio, bool AStretch,
                                            bool ACenter, bool ACropping) {
  return GetBitmapDrawRectangle(double(ARect.Left), double(ARect.Top), double(ARect.Right), double(ARect.Bottom),
                                ABitmap, AAspectRatio, AStretch, ACenter, ACropping);
}

TRect TKitGraphics::GetBitmapDrawRectangle(const TRect& ARect, TPicture* ABitmap, bool AAspectRatio, bool AStretch,
                                           bool ACenter, bool ACropping) {
  const TRectF r = GetBitmapDrawRectangle(double(ARect.Left), double(ARect.Top), double(ARect.Right),
                                          double(ARect.Bottom), ABitmap, AAspectRatio, AStretch, ACenter, ACropping);
  return TRect(int(Round(r.Left)), int(Round(r.Top)), int(Round(r.Right)), int(Round(r.Bottom)));
}

namespace {

TKitSVGImport* SVGOf(TPicture* APicture) {
  auto* kit = dynamic_cast<TKitBitmap*>(APicture);
  return kit != nullptr && kit->HasSVG() ? kit->SVG() : nullptr;
}

}  // namespace

void TKitGraphics::DrawBitmap(double ALeft, double ATop, double ARight, double ABottom, TPicture* ABitmap,
                              bool AAspectRatio, bool AStretch, bool ACenter, bool ACropping) {
  if (ABitmap == nullptr) return;
  const TRectF d = GetBitmapDrawRectangle(ALeft, ATop, ARight, ABottom, ABitmap, AAspectRatio, AStretch, ACenter,
                                          ACropping);
  if (TKitSVGImport* svg = SVGOf(ABitmap)) {
    // The engine's document draws through a new GDI+ facade on this
    // canvas, after this facade's own transform.
    if (auto* engine = dynamic_cast<TKitGraphicsSVGImport*>(svg))
      engine->Draw(this, d, true, true);
    else
      svg->Draw(Canvas(), d, true);
    return;
  }
  if (ABitmap->Graphic() == nullptr) return;
  Context()->DrawBitmap(ABitmap->Graphic(), TRectF(0, 0, float(ABitmap->Width()), float(ABitmap->Height())), d, 1.0f);
}

void TKitGraphics::DrawBitmap(const TRectF& ARect, TPicture* ABitmap, bool AAspectRatio, bool AStretch, bool ACenter,
                              bool ACropping) {
  DrawBitmap(double(ARect.Left), double(ARect.Top), double(ARect.Right), double(ARect.Bottom), ABitmap, AAspectRatio,
             AStretch, ACenter, ACropping);
}
void TKitGraphics::DrawBitmap(int ALeft, int ATop, int ARight, int ABottom, TPicture* ABitmap, bool AAspectRatio,
                              bool AStretch, bool ACenter, bool ACropping) {
  DrawBitmap(double(ALeft), double(ATop), double(ARight), double(ABottom), ABitmap, AAspectRatio, AStretch, ACenter,
             ACropping);
}
void TKitGraphics::DrawBitmap(const TRect& ARect, TPicture* ABitmap, bool AAspectRatio, bool AStretch, bool ACenter,
                              bool ACropping) {
  DrawBitmap(ARect.Left, ARect.Top, ARect.Right, ARect.Bottom, ABitmap, AAspectRatio, AStretch, ACenter, ACropping);
}
void TKitGraphics::DrawBitmap(int ALeft, int ATop, TPicture* ABitmap) {
  if (ABitmap == nullptr) return;
  DrawBitmap(ALeft, ATop, ALeft + ABitmap->Width(), ATop + ABitmap->Height(), ABitmap, true, false, true, false);
}
void TKitGraphics::DrawBitmap(float ALeft, float ATop, TPicture* ABitmap) {
  if (ABitmap == nullptr) return;
  DrawBitmap(double(ALeft), double(ATop), double(ALeft) + ABitmap->Width(), double(ATop) + ABitmap->Height(), ABitmap,
             true, false, true, false);
}

std::unique_ptr<TKitBitmap> TKitGraphics::DrawBitmapPartSync(double ASourceLeft, double ASourceTop,
                                                             double ASourceRight, double ASourceBottom,
                                                             double ADestinationLeft, double ADestinationTop,
                                                             double ADestinationRight, double ADestinationBottom,
                                                             TPicture* ABitmap, bool, bool, bool, bool) {
  if (ABitmap == nullptr) return nullptr;
  if (ADestinationRight <= ADestinationLeft || ADestinationBottom <= ADestinationTop) return nullptr;
  if (ASourceRight <= ASourceLeft || ASourceBottom <= ASourceTop) return nullptr;
  if (SVGOf(ABitmap) != nullptr) return nullptr;
  const int w = int(Round(ASourceRight - ASourceLeft));
  const int h = int(Round(ASourceBottom - ASourceTop));
  if (w <= 0 || h <= 0) return nullptr;
  std::unique_ptr<TKitGraphics> part = CreateBitmapCanvas(w, h, FNative, true);
  // Transparent pixels of the picture stay transparent in the part.
  part->Bitmap()->SetPixelFormat(pf32bit);
  part->Bitmap()->SetAlphaFormat(afPremultiplied);
  part->Bitmap()->SetSize(w, h);
  part->Context()->SetSize(float(w), float(h));
  part->BeginScene();
  part->DrawBitmap(-ASourceLeft, -ASourceTop, double(w) - ASourceLeft, double(h) - ASourceTop, ABitmap, false, false,
                   false, false);
  part->EndScene();
  auto result = std::make_unique<TKitBitmap>();
  result->Assign(part->Bitmap());
  return result;
}

void TKitGraphics::DrawBitmapPart(double ASourceLeft, double ASourceTop, double ASourceRight, double ASourceBottom,
                                  double ADestinationLeft, double ADestinationTop, double ADestinationRight,
                                  double ADestinationBottom, TPicture* ABitmap, bool AAspectRatio, bool AStretch,
                                  bool ACenter, bool ACropping) {
  if (ABitmap == nullptr) return;
  if (ADestinationRight <= ADestinationLeft || ADestinationBottom <= ADestinationTop) return;
  if (ASourceRight <= ASourceLeft || ASourceBottom <= ASourceTop) return;
  if (TKitSVGImport* svg = SVGOf(ABitmap)) {
    const TRectF d = GetBitmapDrawRectangle(ADestinationLeft, ADestinationTop, ADestinationRight,
                                            ADestinationBottom, ABitmap, AAspectRatio, AStretch, ACenter, ACropping);
    svg->Draw(Canvas(), d, true);
    return;
  }
  std::unique_ptr<TKitBitmap> part =
      DrawBitmapPartSync(ASourceLeft, ASourceTop, ASourceRight, ASourceBottom, ADestinationLeft, ADestinationTop,
                         ADestinationRight, ADestinationBottom, ABitmap, AAspectRatio, AStretch, ACenter, ACropping);
  if (part)
    DrawBitmap(ADestinationLeft, ADestinationTop, ADestinationRight, ADestinationBottom, part.get(), AAspectRatio,
               AStretch, ACenter, ACropping);
}

void TKitGraphics::DrawBitmapPart(const TRectF& S, const TRectF& D, TPicture* ABitmap, bool AAspectRatio,
                                  bool AStretch, bool ACenter, bool ACropping) {
  DrawBitmapPart(S.Left, S.Top, S.Right, S.Bottom, D.Left, D.Top, D.Right, D.Bottom, ABitmap, AAspectRatio, AStretch,
                 ACenter, ACropping);
}
void TKitGraphics::DrawBitmapPart(const TRect& S, const TRect& D, TPicture* ABitmap, bool AAspectRatio, bool AStretch,
                                  bool ACenter, bool ACropping) {
  DrawBitmapPart(S.Left, S.Top, S.Right, S.Bottom, D.Left, D.Top, D.Right, D.Bottom, ABitmap, AAspectRatio, AStretch,
                 ACenter, ACropping);
}

TPicture* TKitGraphics::GetBitmapFromPictureContainer(TPictureContainer* APictureContainer, const QString& AName,
                                                      bool AApplyScale, float AScale) {
  if (APictureContainer == nullptr || AName.isEmpty() || !PictureLookup()) return nullptr;
  if (AApplyScale) {
    const float scale = AScale > 0 ? AScale : TKitUtils::GetDPIScale(nullptr);
    const QString scaled = AName + QLatin1Char('_') + FloatToStr(double(scale));
    if (TPicture* found = PictureLookup()(APictureContainer, scaled)) return found;
  }
  return PictureLookup()(APictureContainer, AName);
}

void TKitGraphics::DrawBitmapWithName(const TRectF& ARect, const QString& ABitmapName, bool AApplyScale, float AScale,
                                      bool AAspectRatio, bool AStretch, bool ACenter, bool ACropping) {
  if (TPicture* b = GetBitmapFromPictureContainer(FPictureContainer, ABitmapName, AApplyScale, AScale))
    DrawBitmap(ARect, b, AAspectRatio, AStretch, ACenter, ACropping);
}
void TKitGraphics::DrawBitmapWithName(const TRect& ARect, const QString& ABitmapName, bool AApplyScale, float AScale,
                                      bool AAspectRatio, bool AStretch, bool ACenter, bool ACropping) {
  DrawBitmapWithName(RectToRectF(ARect), ABitmapName, AApplyScale, AScale, AAspectRatio, AStretch, ACenter, ACropping);
}

void TKitGraphics::DrawScaledBitmap(const TRectF& ARect, TKitScaledBitmaps* ABitmaps, float AScale, bool AAspectRatio,
                                    bool AStretch, bool ACenter, bool ACropping) {
  if (ABitmaps == nullptr) return;
  const float scale = AScale > 0 ? AScale : TKitUtils::GetDPIScale(nullptr);
  TKitScaledBitmap* item = ABitmaps->GetItemByScale(scale);
  if (item == nullptr) return;
  if (!PictureEmpty(item->Bitmap())) {
    DrawBitmap(ARect, item->Bitmap(), AAspectRatio, AStretch, ACenter, ACropping);
    return;
  }
  TPicture* b = GetBitmapFromPictureContainer(FPictureContainer, item->BitmapName(), true, AScale);
  if (!PictureEmpty(b))
    DrawBitmap(ARect, b, AAspectRatio, AStretch, ACenter, ACropping);
  else
    DrawBitmapWithName(ARect, item->BitmapName(), false, item->Scale(), AAspectRatio, AStretch, ACenter, ACropping);
}
void TKitGraphics::DrawScaledBitmap(const TRect& ARect, TKitScaledBitmaps* ABitmaps, float AScale, bool AAspectRatio,
                                    bool AStretch, bool ACenter, bool ACropping) {
  DrawScaledBitmap(RectToRectF(ARect), ABitmaps, AScale, AAspectRatio, AStretch, ACenter, ACropping);
}

TPicture* TKitGraphics::GetScaledBitmap(TKitScaledBitmaps* ABitmaps, float AScale,
                                        TPictureContainer* APictureContainer) {
  if (ABitmaps == nullptr) return nullptr;
  const float scale = AScale > 0 ? AScale : TKitUtils::GetDPIScale(nullptr);
  TKitScaledBitmap* item = ABitmaps->GetItemByScale(scale);
  if (item == nullptr) return nullptr;
  if (!PictureEmpty(item->Bitmap())) return item->Bitmap();
  TPicture* b = GetBitmapFromPictureContainer(APictureContainer, item->BitmapName(), true, AScale);
  if (!PictureEmpty(b)) return b;
  b = GetBitmapFromPictureContainer(APictureContainer, item->BitmapName(), false, AScale);
  return PictureEmpty(b) ? nullptr : b;
}

// ---------------------------------------------------------------------------
// Colours and hit tests

Byte TKitGraphics::GetColorRed(TColor AColor) { return Byte(ColorToRGB(AColor) & 0xFF); }
Byte TKitGraphics::GetColorGreen(TColor AColor) { return Byte((ColorToRGB(AColor) >> 8) & 0xFF); }
Byte TKitGraphics::GetColorBlue(TColor AColor) { return Byte((ColorToRGB(AColor) >> 16) & 0xFF); }

QString TKitGraphics::ColorToHTML(TColor AColor) {
  static const char digits[] = "0123456789ABCDEF";
  const TColor c = ColorToRGB(AColor);
  QString result = QStringLiteral("#RRGGBB");
  const Byte bytes[3] = {GetColorRed(c), GetColorGreen(c), GetColorBlue(c)};
  for (int i = 0; i < 3; ++i) {
    result[1 + 2 * i] = QLatin1Char(digits[bytes[i] >> 4]);
    result[2 + 2 * i] = QLatin1Char(digits[bytes[i] & 15]);
  }
  return result;
}

namespace {

// Two hexadecimal digits as a byte; anything else raises the run-time's
// conversion error for the text read.
int HexByte(const QString& ADigits) {
  bool ok = false;
  const int v = ADigits.toInt(&ok, 16);
  if (!ok || ADigits.size() != 2 || ADigits.startsWith(QLatin1Char('+')) || ADigits.startsWith(QLatin1Char('-')))
    throw EConvertError(MessageText(RtlConsts::SInvalidInteger, {QLatin1Char('$') + ADigits}));
  return v;
}

}  // namespace

TColor TKitGraphics::HTMLToColor(const QString& AHTML) {
  if (AHTML.isEmpty()) return gcNoColor;
  int r, g, b;
  if (AHTML.size() == 4) {
    r = HexByte(QString(2, AHTML[1]));
    g = HexByte(QString(2, AHTML[2]));
    b = HexByte(QString(2, AHTML[3]));
  } else {
    // Characters 2 to 7 are read: a shorter text is refused, not read past.
    if (AHTML.size() < 7) throw EConvertError(MessageText(RtlConsts::SInvalidInteger, {AHTML}));
    r = HexByte(AHTML.mid(1, 2));
    g = HexByte(AHTML.mid(3, 2));
    b = HexByte(AHTML.mid(5, 2));
  }
  return TColor(r + g * 256 + b * 65536);
}

TColor TKitGraphics::TextToColor(const QString& AText) {
  QString s = AText.toLower();
  if (s.startsWith(QLatin1String("cl"))) s.remove(0, 2);
  if (s.startsWith(QLatin1String("cla"))) s.remove(0, 3);
  if (s.startsWith(QLatin1String("gc"))) s.remove(0, 2);
  TStringList* list = GetColorList();
  if (list == nullptr) return 0;
  const int index = list->IndexOf(s);
  if (index < 0) return 0;
  auto* object = dynamic_cast<TKitGraphicsColorObject*>(list->Objects(index));
  return object ? object->Color() : 0;
}

bool TKitGraphics::PointInCircle(const TPointF& APoint, const TPointF& ACenter, float ARadius) {
  if (ARadius <= 0) return false;
  const double dx = (double(APoint.X) - ACenter.X) / ARadius;
  const double dy = (double(APoint.Y) - ACenter.Y) / ARadius;
  return dx * dx + dy * dy <= 1;
}

bool TKitGraphics::PointInPath(const TPointF& APoint, TKitGraphicsPath* APath) {
  return APath != nullptr && APath->IsPointVisible(APoint);
}
bool TKitGraphics::PointInPath(const TPoint& APoint, TKitGraphicsPath* APath) {
  return PointInPath(PointToPointF(APoint), APath);
}
bool TKitGraphics::PointInPolygon(const TPointF& APoint, const TKitGraphicsPathPolygon& APolygon) {
  return PolygonContainsPoint(APoint, APolygon);
}
bool TKitGraphics::PointInPolygon(const TPoint& APoint, const TKitGraphicsPathPolygon& APolygon) {
  return PointInPolygon(PointToPointF(APoint), APolygon);
}
bool TKitGraphics::PointInRect(const TPointF& APoint, const TRectF& ARect) { return ARect.Contains(APoint); }
bool TKitGraphics::PointInRect(const TPoint& APoint, const TRect& ARect) {
  return PointInRect(PointToPointF(APoint), RectToRectF(ARect));
}
