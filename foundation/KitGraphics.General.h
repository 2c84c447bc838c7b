#pragma once
// The GDI back-end of the drawing facade: draws on the facade's canvas with
// GDI's integer rules. Coordinates are rounded half to even (arcs rounded
// down); opacity, anti-aliasing, text quality and world transforms do not
// exist here; clips accumulate and only RestoreState removes them; gradients
// are drawn as bands by FillRect and FillRoundRect only; text at an angle
// uses the font's escapement.
//
// FillArc fills the segment between the arc and its chord and FillPolyline
// the closed polygon of its points, as the GDI+ back-end does.

#include "foundation/KitGraphics.h"
#include "platform/win32/Gdi.h"

class TKitGraphicsContextGeneral : public TKitGraphicsContext {
 public:
  explicit TKitGraphicsContextGeneral(TKitGraphics* AGraphics);
  ~TKitGraphicsContextGeneral() override;

  void* GetNativeCanvas() override;
  void* CreatePath() override { return nullptr; }
  TColor GetFillColor() override;
  TRectF CalculateText(const QString& AText, const TRectF& ARect, bool AWordWrapping) override;
  TRectF SetTextAngle(const TRectF& ARect, float) override { return ARect; }
  TKitGraphicsMatrix GetMatrix() override { return TKitGraphicsMatrix::Identity(); }
  void Render() override {}
  void PathOpen(void*) override {}
  void PathMoveTo(void* APath, const TPointF& APoint) override;
  void PathLineTo(void* APath, const TPointF& APoint) override;
  void SetScale(float) override {}
  void PathClose(void* APath) override;
  void ResetClip() override {}
  void ResetTransform() override {}
  void ScaleTransform(float, float) override {}
  void RotateTransform(float) override {}
  void TranslateTransform(float, float) override {}
  void SetTextQuality(TKitGraphicsTextQuality) override {}
  void SetAntiAliasing(bool) override {}
  void SetShowAcceleratorChar(bool AShowAcceleratorChar) override { FShowAcceleratorChar = AShowAcceleratorChar; }
  void SetSize(float, float) override {}
  void ResetTextAngle(float) override {}
  void BeginScene() override {}
  void EndScene() override {}
  void BeginPrinting() override { FPrinting = true; }
  void EndPrinting() override { FPrinting = false; }
  void StartSpecialPen() override;
  void StopSpecialPen() override;
  void RestoreState(TKitGraphicsSaveState* AState) override;
  void SaveState(TKitGraphicsSaveState* AState) override;
  void SetFontSize(int ASize) override;
  void SetFontColor(TColor AColor) override;
  void SetFontName(const QString& AName) override;
  void SetFont(TKitGraphicsFont* AFont) override;
  void SetFontStyles(TFontStyles AStyle) override;
  void SetMatrix(const TKitGraphicsMatrix&) override {}
  void SetFill(TKitGraphicsFill* AFill) override;
  void SetFillKind(TKitGraphicsFillKind AKind) override;
  void SetFillColor(TColor AColor) override;
  void SetStroke(TKitGraphicsStroke* AStroke) override;
  void SetStrokeKind(TKitGraphicsStrokeKind AKind) override;
  void SetStrokeColor(TColor AColor) override;
  void SetStrokeWidth(float AWidth) override;
  void DrawLine(TKitGraphicsStroke* AStroke, const TPointF& AFromPoint, const TPointF& AToPoint,
                TKitGraphicsModifyPointMode, TKitGraphicsModifyPointMode) override;
  void DrawPolygon(TKitGraphicsStroke* AStroke, const TKitGraphicsPathPolygon& APolygon) override;
  void FillPolygon(TKitGraphicsFill* AFill, const TKitGraphicsPathPolygon& APolygon) override;
  void DrawPolyline(TKitGraphicsStroke* AStroke, const TKitGraphicsPathPolygon& APolyline) override;
  void FillPolyline(TKitGraphicsFill* AFill, const TKitGraphicsPathPolygon& APolyline) override;
  void FillArc(TKitGraphicsFill* AFill, const TPointF& ACenter, const TPointF& ARadius, float AStartAngle,
               float ASweepAngle) override;
  void DrawArc(TKitGraphicsStroke* AStroke, const TPointF& ACenter, const TPointF& ARadius, float AStartAngle,
               float ASweepAngle) override;
  void FillRect(TKitGraphicsFill* AFill, const TRectF& ARect, TKitGraphicsModifyRectMode AModifyRectMode) override;
  void DrawRect(TKitGraphicsStroke* AStroke, const TRectF& ARect, TKitGraphicsSides ASides,
                TKitGraphicsModifyRectMode AModifyRectMode) override;
  void FillRoundRect(TKitGraphicsFill* AFill, const TRectF& ARect, float ARounding, TKitGraphicsCorners ACorners,
                     TKitGraphicsModifyRectMode AModifyRectMode) override;
  void DrawRoundRect(TKitGraphicsStroke* AStroke, const TRectF& ARect, float ARounding, TKitGraphicsCorners ACorners,
                     TKitGraphicsModifyRectMode AModifyRectMode) override;
  void FillEllipse(TKitGraphicsFill* AFill, const TRectF& ARect, TKitGraphicsModifyRectMode AModifyRectMode) override;
  void DrawEllipse(TKitGraphicsStroke* AStroke, const TRectF& ARect,
                   TKitGraphicsModifyRectMode AModifyRectMode) override;
  // One canvas Ellipse with the pen and the brush where that paints what
  // the fill pass and the outline pass paint (see OnePassShape).
  void FillAndDrawEllipse(TKitGraphicsFill* AFill, TKitGraphicsStroke* AStroke, const TRectF& ARect,
                          TKitGraphicsModifyRectMode AModifyRectMode) override;
  void DrawBitmap(TGraphic* ABitmap, const TRectF& ASrcRect, const TRectF& ADstRect, float AOpacity) override;
  void ClipRect(const TRectF& ARect) override;
  void ClipPath(TKitGraphicsPath* APath) override;
  void DrawFocusPath(TKitGraphicsStroke* AStroke, TKitGraphicsPath* APath, TColor AColor) override;
  void DrawFocusRectangle(TKitGraphicsStroke* AStroke, const TRectF& ARect, TColor AColor,
                          TKitGraphicsModifyRectMode AModifyRectMode) override;
  void DrawText(const QString& AText, const TRectF& ARect, bool AWordWrapping, TKitGraphicsTextAlign AHorizontalAlign,
                TKitGraphicsTextAlign AVerticalAlign, TKitGraphicsTextTrimming ATrimming, float AAngle) override;
  void DrawPath(TKitGraphicsStroke* AStroke, TKitGraphicsPath* APath, TKitGraphicsPathDrawMode APathMode) override;
  void FillPath(TKitGraphicsFill* AFill, TKitGraphicsPath* APath, TKitGraphicsPathDrawMode APathMode) override;

 private:
  TCanvas* C() const { return Canvas(); }
  void DrawRotatedText(const TRect& ARect, TKitGraphicsTextAlign AVerticalAlign,
                       TKitGraphicsTextAlign AHorizontalAlign, float AAngle, const QString& AText);
  static void DrawCanvasArc(TCanvas* ACanvas, int CX, int CY, int RX, int RY, int AStart, int ASweep);
  // Whether one closed shape drawn with the canvas's pen and brush together
  // leaves the pixels of a fill pass without the pen followed by an outline
  // pass without the brush.
  bool OnePassShape() const;
  // Replays the path into the device context's path bracket.
  void BuildDCPath(TKitGraphicsPath* APath);

  bool FPrinting = false;
  bool FShowAcceleratorChar = false;
  HPEN FOldPenHandle = nullptr;
  HPEN FSpecialPen = nullptr;
  TPenStyle FOldPenStyle = psSolid;
  int FOldPenWidth = 1;
};
