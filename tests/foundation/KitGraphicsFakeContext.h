#pragma once
// A drawing context that draws nothing and records every call it receives,
// by name with its main arguments, so tests see what the facade hands on.

#include <QString>
#include <QStringList>

#include "foundation/KitGraphics.h"

class TRecordingContext : public TKitGraphicsContext {
 public:
  explicit TRecordingContext(TKitGraphics* AGraphics) : TKitGraphicsContext(AGraphics) {}

  QStringList Calls;
  // What CalculateText answers (translated to the rectangle's top-left).
  TSizeF TextSize{40, 12};
  // Current point of path building.
  int Count(const QString& AName) const {
    int n = 0;
    for (const QString& c : Calls)
      if (c == AName || c.startsWith(AName + QLatin1Char('('))) ++n;
    return n;
  }
  QStringList Drawing() const {
    QStringList result;
    for (const QString& c : Calls)
      if (c.startsWith(QLatin1String("Draw")) || c.startsWith(QLatin1String("Fill"))) result << c;
    return result;
  }

  void* GetNativeCanvas() override { return nullptr; }
  void* CreatePath() override {
    Calls << QStringLiteral("CreatePath");
    return nullptr;
  }
  TColor GetFillColor() override { return FFillColor; }
  TRectF CalculateText(const QString& AText, const TRectF& ARect, bool) override {
    Calls << QStringLiteral("CalculateText(%1)").arg(AText);
    return TRectF(ARect.Left, ARect.Top, ARect.Left + TextSize.cx, ARect.Top + TextSize.cy);
  }
  TRectF SetTextAngle(const TRectF& ARect, float) override { return ARect; }
  TKitGraphicsMatrix GetMatrix() override { return TKitGraphicsMatrix::Identity(); }
  void Render() override { Calls << QStringLiteral("Render"); }
  void PathOpen(void*) override { Calls << QStringLiteral("PathOpen"); }
  void PathMoveTo(void*, const TPointF& P) override { Calls << QStringLiteral("PathMoveTo(%1,%2)").arg(P.X).arg(P.Y); }
  void PathLineTo(void*, const TPointF& P) override { Calls << QStringLiteral("PathLineTo(%1,%2)").arg(P.X).arg(P.Y); }
  void SetScale(float) override {}
  void PathClose(void*) override { Calls << QStringLiteral("PathClose"); }
  void ResetClip() override {}
  void ResetTransform() override {}
  void ScaleTransform(float, float) override {}
  void RotateTransform(float) override {}
  void TranslateTransform(float, float) override {}
  void SetTextQuality(TKitGraphicsTextQuality) override {}
  void SetAntiAliasing(bool) override {}
  void SetShowAcceleratorChar(bool) override {}
  void SetSize(float, float) override {}
  void ResetTextAngle(float) override {}
  void BeginScene() override {}
  void EndScene() override {}
  void BeginPrinting() override {}
  void EndPrinting() override {}
  void StartSpecialPen() override {}
  void StopSpecialPen() override {}
  void RestoreState(TKitGraphicsSaveState*) override { Calls << QStringLiteral("RestoreState"); }
  void SaveState(TKitGraphicsSaveState*) override { Calls << QStringLiteral("SaveState"); }
  void SetFontSize(int) override { Calls << QStringLiteral("SetFontSize"); }
  void SetFontColor(TColor) override { Calls << QStringLiteral("SetFontColor"); }
  void SetFontName(const QString&) override { Calls << QStringLiteral("SetFontName"); }
  void SetFont(TKitGraphicsFont*) override { Calls << QStringLiteral("SetFont"); }
  void SetFontStyles(TFontStyles) override { Calls << QStringLiteral("SetFontStyles"); }
  void SetMatrix(const TKitGraphicsMatrix&) override {}
  void SetFill(TKitGraphicsFill*) override { Calls << QStringLiteral("SetFill"); }
  void SetFillKind(TKitGraphicsFillKind) override { Calls << QStringLiteral("SetFillKind"); }
  void SetFillColor(TColor AColor) override {
    FFillColor = AColor;
    Calls << QStringLiteral("SetFillColor");
  }
  void SetStroke(TKitGraphicsStroke*) override { Calls << QStringLiteral("SetStroke"); }
  void SetStrokeKind(TKitGraphicsStrokeKind) override { Calls << QStringLiteral("SetStrokeKind"); }
  void SetStrokeColor(TColor) override { Calls << QStringLiteral("SetStrokeColor"); }
  void SetStrokeWidth(float) override { Calls << QStringLiteral("SetStrokeWidth"); }
  void DrawLine(TKitGraphicsStroke*, const TPointF&, const TPointF&, TKitGraphicsModifyPointMode,
                TKitGraphicsModifyPointMode) override {
    Calls << QStringLiteral("DrawLine");
  }
  void DrawPolygon(TKitGraphicsStroke*, const TKitGraphicsPathPolygon&) override { Calls << QStringLiteral("DrawPolygon"); }
  void FillPolygon(TKitGraphicsFill*, const TKitGraphicsPathPolygon&) override { Calls << QStringLiteral("FillPolygon"); }
  void DrawPolyline(TKitGraphicsStroke*, const TKitGraphicsPathPolygon&) override {
    Calls << QStringLiteral("DrawPolyline");
  }
  void FillPolyline(TKitGraphicsFill*, const TKitGraphicsPathPolygon&) override {
    Calls << QStringLiteral("FillPolyline");
  }
  void FillArc(TKitGraphicsFill*, const TPointF&, const TPointF&, float, float) override {
    Calls << QStringLiteral("FillArc");
  }
  void DrawArc(TKitGraphicsStroke*, const TPointF&, const TPointF&, float, float) override {
    Calls << QStringLiteral("DrawArc");
  }
  void FillRect(TKitGraphicsFill*, const TRectF&, TKitGraphicsModifyRectMode) override { Calls << QStringLiteral("FillRect"); }
  void DrawRect(TKitGraphicsStroke*, const TRectF&, TKitGraphicsSides, TKitGraphicsModifyRectMode) override {
    Calls << QStringLiteral("DrawRect");
  }
  void FillRoundRect(TKitGraphicsFill*, const TRectF&, float, TKitGraphicsCorners, TKitGraphicsModifyRectMode) override {
    Calls << QStringLiteral("FillRoundRect");
  }
  void DrawRoundRect(TKitGraphicsStroke*, const TRectF&, float, TKitGraphicsCorners, TKitGraphicsModifyRectMode) override {
    Calls << QStringLiteral("DrawRoundRect");
  }
  void FillEllipse(TKitGraphicsFill*, const TRectF&, TKitGraphicsModifyRectMode) override {
    Calls << QStringLiteral("FillEllipse");
  }
  void DrawEllipse(TKitGraphicsStroke*, const TRectF&, TKitGraphicsModifyRectMode) override {
    Calls << QStringLiteral("DrawEllipse");
  }
  void DrawBitmap(TGraphic*, const TRectF&, const TRectF& D, float) override {
    Calls << QStringLiteral("DrawBitmap(%1,%2,%3,%4)").arg(D.Left).arg(D.Top).arg(D.Right).arg(D.Bottom);
  }
  void ClipRect(const TRectF&) override { Calls << QStringLiteral("ClipRect"); }
  void ClipPath(TKitGraphicsPath*) override {}
  void DrawFocusPath(TKitGraphicsStroke*, TKitGraphicsPath*, TColor) override { Calls << QStringLiteral("DrawFocusPath"); }
  void DrawFocusRectangle(TKitGraphicsStroke*, const TRectF&, TColor, TKitGraphicsModifyRectMode) override {
    Calls << QStringLiteral("DrawFocusRectangle");
  }
  void DrawText(const QString& AText, const TRectF&, bool, TKitGraphicsTextAlign, TKitGraphicsTextAlign,
                TKitGraphicsTextTrimming, float) override {
    Calls << QStringLiteral("DrawText(%1)").arg(AText);
  }
  void DrawPath(TKitGraphicsStroke*, TKitGraphicsPath*, TKitGraphicsPathDrawMode) override {
    Calls << QStringLiteral("DrawPath");
  }
  void FillPath(TKitGraphicsFill*, TKitGraphicsPath*, TKitGraphicsPathDrawMode) override {
    Calls << QStringLiteral("FillPath");
  }

 private:
  TColor FFillColor = 0xFFFFFF;
};

// A facade on a recording context: Fake() is the context.
struct TRecordedFacade {
  TRecordedFacade() {
    TKitGraphicsContextOverride use([](TKitGraphics* g) { return std::make_unique<TRecordingContext>(g); });
    Facade = std::make_unique<TKitGraphics>(Bitmap.Canvas(), false);
    Fake().Calls.clear();
  }
  TRecordingContext& Fake() { return *static_cast<TRecordingContext*>(Facade->Context()); }
  TKitGraphics* operator->() { return Facade.get(); }
  TBitmap Bitmap{8, 8};
  std::unique_ptr<TKitGraphics> Facade;
};
