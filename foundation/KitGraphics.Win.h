#pragma once
// The GDI+ back-end of the drawing facade, over the run-time GDI+ wrapper
// classes: floating-point coordinates, anti-aliasing, opacity, gradients,
// world transforms, rotated text and pictures drawn as GDI+ images, onto the
// device context of the facade's canvas.
//
// The drawing object exists from SetSize until Render (or the next SetSize);
// without it every operation does nothing. Colours with an opacity outside
// 0..1 are clamped to transparent or opaque. Pictures are decoded once per
// picture content and kept in a small cache shared by all contexts.

#include <QByteArray>
#include <memory>

#include "foundation/KitGraphics.h"

namespace KitGDIPlusClasses {
class TGPGraphics;
class TGPPen;
class TGPBrush;
class TGPFont;
class TGPStringFormat;
class TGPGraphicsPath;
class TGPMatrix;
class TGPBitmap;
class TGPImage;
}  // namespace KitGDIPlusClasses

// Alpha << 24 | red << 16 | green << 8 | blue of the colour (system colours
// resolved); alpha = Round(AOpacity * 255) kept within 0..255. The colour -1
// gives a transparent colour.
uint32_t MakeGPColor(TColor AColor, float AOpacity);

class TKitGraphicsContextWin : public TKitGraphicsContext {
 public:
  explicit TKitGraphicsContextWin(TKitGraphics* AGraphics);
  ~TKitGraphicsContextWin() override;

  void* GetNativeCanvas() override;
  void* CreatePath() override;
  TColor GetFillColor() override;
  TRectF CalculateText(const QString& AText, const TRectF& ARect, bool AWordWrapping) override;
  TRectF SetTextAngle(const TRectF& ARect, float AAngle) override;
  TKitGraphicsMatrix GetMatrix() override;
  void Render() override;
  void PathOpen(void* APath) override;
  void PathMoveTo(void* APath, const TPointF& APoint) override;
  void PathLineTo(void* APath, const TPointF& APoint) override;
  void SetScale(float AScale) override { FScale = AScale; }
  void PathClose(void* APath) override;
  void ResetClip() override;
  void ResetTransform() override;
  void ScaleTransform(float AX, float AY) override;
  void RotateTransform(float AAngle) override;
  void TranslateTransform(float AX, float AY) override;
  void SetTextQuality(TKitGraphicsTextQuality ATextQuality) override;
  void SetAntiAliasing(bool AAntiAliasing) override;
  void SetShowAcceleratorChar(bool AShowAcceleratorChar) override { FShowAcceleratorChar = AShowAcceleratorChar; }
  void SetSize(float AWidth, float AHeight) override;
  void ResetTextAngle(float AAngle) override;
  void BeginScene() override {}
  void EndScene() override;
  void BeginPrinting() override {}
  void EndPrinting() override {}
  void StartSpecialPen() override {}
  void StopSpecialPen() override {}
  void RestoreState(TKitGraphicsSaveState* AState) override;
  void SaveState(TKitGraphicsSaveState* AState) override;
  void SetFontSize(int ASize) override;
  void SetFontColor(TColor AColor) override;
  void SetFontName(const QString& AName) override;
  void SetFont(TKitGraphicsFont* AFont) override;
  void SetFontStyles(TFontStyles AStyle) override;
  void SetMatrix(const TKitGraphicsMatrix& AMatrix) override;
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
  void FillRect(TKitGraphicsFill* AFill, const TRectF& ARect, TKitGraphicsModifyRectMode) override;
  void DrawRect(TKitGraphicsStroke* AStroke, const TRectF& ARect, TKitGraphicsSides ASides,
                TKitGraphicsModifyRectMode) override;
  void FillRoundRect(TKitGraphicsFill* AFill, const TRectF& ARect, float ARounding, TKitGraphicsCorners ACorners,
                     TKitGraphicsModifyRectMode) override;
  void DrawRoundRect(TKitGraphicsStroke* AStroke, const TRectF& ARect, float ARounding, TKitGraphicsCorners ACorners,
                     TKitGraphicsModifyRectMode) override;
  void FillEllipse(TKitGraphicsFill* AFill, const TRectF& ARect, TKitGraphicsModifyRectMode) override;
  void DrawEllipse(TKitGraphicsStroke* AStroke, const TRectF& ARect, TKitGraphicsModifyRectMode) override;
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

  // The outline of a rectangle with the listed corners rounded, clockwise.
  static void BuildRoundedOutline(TKitGraphicsPath& APath, const TRectF& ARect, float ARounding,
                                  TKitGraphicsCorners ACorners);
  // The brush of one fill for the shape APath (null: the brush bounds are empty).
  static std::unique_ptr<KitGDIPlusClasses::TGPBrush> CreateGPFillBrush(TKitGraphicsFill* AFill,
                                                                        KitGDIPlusClasses::TGPGraphicsPath* APath);
  // Pictures decoded since start (cache misses), for tests and measurements.
  static int DecodedPictureCount();

 private:
  void ReleaseGraphics();
  void FontChanged();
  // Underline and strike-out of text drawn on one line.
  void DrawTextLines(const QString& AText, const TRectF& ARect, const KitGDIPlusClasses::TGPStringFormat* AFormat,
                     const KitGDIPlusClasses::TGPBrush* ABrush);
  void StrokeChanged();
  void FillChanged();
  void FillGPPath(KitGDIPlusClasses::TGPGraphicsPath* APath);
  bool SolidBrushReady();
  // Runs ADraw without smoothing when the pen is dashed.
  template <class F>
  void WithPenSmoothing(F ADraw);
  // Restore(FSaveGP), AChange, then FSaveGP := Save.
  template <class F>
  void OnBaseState(F AChange);

  bool FShowAcceleratorChar = false;
  std::unique_ptr<KitGDIPlusClasses::TGPMatrix> FTextMatrix;
  int FSmoothingMode = 0;
  unsigned FSaveGP = 0;
  float FScale = 1;
  TPointF FMovePoint;
  bool FNeedsRendering = true;
  std::unique_ptr<TKitGraphicsFont> FFont;
  std::unique_ptr<TKitGraphicsFill> FFill;
  std::unique_ptr<TKitGraphicsStroke> FStroke;
  std::unique_ptr<KitGDIPlusClasses::TGPFont> FGPFont;
  TSizeF FContextSize;
  std::unique_ptr<KitGDIPlusClasses::TGPStringFormat> FGPStringFormat;
  std::unique_ptr<KitGDIPlusClasses::TGPBrush> FGPBrush;
  std::unique_ptr<KitGDIPlusClasses::TGPPen> FGPPen;
  std::unique_ptr<KitGDIPlusClasses::TGPGraphics> FGPGraphics;
  std::unique_ptr<KitGDIPlusClasses::TGPBitmap> FGPBitmap;
  std::unique_ptr<TBitmap> FBitmap;
};
