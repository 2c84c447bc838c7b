#pragma once
// The drawing facade every custom-painted control of the library draws
// through, and the drawing-context interface behind it.
//
// TKitGraphicsContext is an abstract drawing surface: state setters,
// transforms, clipping, paths, text, outlines, fills and pictures. Two
// back-ends implement it: TKitGraphicsContextWin (GDI+, KitGraphics.Win) and
// TKitGraphicsContextGeneral (GDI on a plain canvas, KitGraphics.General).
//
// TKitGraphics owns one context, keeps a current fill, stroke and font in step
// with it, and decides what is drawn: the fill first, then the stroke, each
// only when it is visible (colour not -1, kind not "none"); texture fills are
// painted by the facade itself. The painters of control parts (buttons,
// check boxes, radio buttons, progress bars, glyph buttons) and the text
// operations (plain text to the back-end, marked-up text to the mini-HTML
// layout) live here too.
//
// In fills, strokes and the facade the colour -1 means "no colour".

#include <QString>
#include <QUuid>
#include <functional>
#include <memory>

#include "foundation/KitGraphicsTypes.h"
#include "foundation/KitTypes.h"
#include "platform/rtl/Types.h"
#include "platform/vcl/Graphics.h"

class TKitGraphics;
class TPictureContainer;
class TCustomImageList;

// ---------------------------------------------------------------------------
// Drawing context

class TKitGraphicsContext : public TObject {
 public:
  TF_DECLARE_PUBLISHED(TKitGraphicsContext)
  TF_KIT_JSON_OPERATIONS
  explicit TKitGraphicsContext(TKitGraphics* AGraphics) : FGraphics(AGraphics) {}
  ~TKitGraphicsContext() override = default;

  TKitGraphics* Graphics() const { return FGraphics; }
  // The facade's canvas; null without a facade.
  TCanvas* Canvas() const;
  void* NativeCanvas() { return GetNativeCanvas(); }

  virtual void* GetNativeCanvas() = 0;
  // A new, empty native path owned by the caller (may be null).
  virtual void* CreatePath() = 0;
  virtual TColor GetFillColor() = 0;
  virtual TRectF CalculateText(const QString& AText, const TRectF& ARect, bool AWordWrapping) = 0;
  virtual TRectF SetTextAngle(const TRectF& ARect, float AAngle) = 0;
  virtual TKitGraphicsMatrix GetMatrix() = 0;
  virtual void Render() = 0;
  virtual void PathOpen(void* APath) = 0;
  virtual void PathMoveTo(void* APath, const TPointF& APoint) = 0;
  virtual void PathLineTo(void* APath, const TPointF& APoint) = 0;
  virtual void SetScale(float AScale) = 0;
  virtual void PathClose(void* APath) = 0;
  virtual void ResetClip() = 0;
  virtual void ResetTransform() = 0;
  virtual void ScaleTransform(float AX, float AY) = 0;
  virtual void RotateTransform(float AAngle) = 0;
  virtual void TranslateTransform(float AX, float AY) = 0;
  virtual void SetTextQuality(TKitGraphicsTextQuality ATextQuality) = 0;
  virtual void SetAntiAliasing(bool AAntiAliasing) = 0;
  virtual void SetShowAcceleratorChar(bool AShowAcceleratorChar) = 0;
  virtual void SetSize(float AWidth, float AHeight) = 0;
  virtual void ResetTextAngle(float AAngle) = 0;
  virtual void BeginScene() = 0;
  virtual void EndScene() = 0;
  virtual void BeginPrinting() = 0;
  virtual void EndPrinting() = 0;
  virtual void StartSpecialPen() = 0;
  virtual void StopSpecialPen() = 0;
  virtual void RestoreState(TKitGraphicsSaveState* AState) = 0;
  virtual void SaveState(TKitGraphicsSaveState* AState) = 0;
  virtual void SetFontSize(int ASize) = 0;
  virtual void SetFontColor(TColor AColor) = 0;
  virtual void SetFontName(const QString& AName) = 0;
  virtual void SetFont(TKitGraphicsFont* AFont) = 0;
  virtual void SetFontStyles(TFontStyles AStyle) = 0;
  virtual void SetMatrix(const TKitGraphicsMatrix& AMatrix) = 0;
  virtual void SetFill(TKitGraphicsFill* AFill) = 0;
  virtual void SetFillKind(TKitGraphicsFillKind AKind) = 0;
  virtual void SetFillColor(TColor AColor) = 0;
  virtual void SetStroke(TKitGraphicsStroke* AStroke) = 0;
  virtual void SetStrokeKind(TKitGraphicsStrokeKind AKind) = 0;
  virtual void SetStrokeColor(TColor AColor) = 0;
  virtual void SetStrokeWidth(float AWidth) = 0;
  virtual void DrawLine(TKitGraphicsStroke* AStroke, const TPointF& AFromPoint, const TPointF& AToPoint,
                        TKitGraphicsModifyPointMode AModifyPointModeFrom,
                        TKitGraphicsModifyPointMode AModifyPointModeTo) = 0;
  virtual void DrawPolygon(TKitGraphicsStroke* AStroke, const TKitGraphicsPathPolygon& APolygon) = 0;
  virtual void FillPolygon(TKitGraphicsFill* AFill, const TKitGraphicsPathPolygon& APolygon) = 0;
  virtual void DrawPolyline(TKitGraphicsStroke* AStroke, const TKitGraphicsPathPolygon& APolyline) = 0;
  virtual void FillPolyline(TKitGraphicsFill* AFill, const TKitGraphicsPathPolygon& APolyline) = 0;
  virtual void FillArc(TKitGraphicsFill* AFill, const TPointF& ACenter, const TPointF& ARadius, float AStartAngle,
                       float ASweepAngle) = 0;
  virtual void DrawArc(TKitGraphicsStroke* AStroke, const TPointF& ACenter, const TPointF& ARadius,
                       float AStartAngle, float ASweepAngle) = 0;
  virtual void FillRect(TKitGraphicsFill* AFill, const TRectF& ARect, TKitGraphicsModifyRectMode AModifyRectMode) = 0;
  virtual void DrawRect(TKitGraphicsStroke* AStroke, const TRectF& ARect, TKitGraphicsSides ASides,
                        TKitGraphicsModifyRectMode AModifyRectMode) = 0;
  virtual void FillRoundRect(TKitGraphicsFill* AFill, const TRectF& ARect, float ARounding,
                             TKitGraphicsCorners ACorners, TKitGraphicsModifyRectMode AModifyRectMode) = 0;
  virtual void DrawRoundRect(TKitGraphicsStroke* AStroke, const TRectF& ARect, float ARounding,
                             TKitGraphicsCorners ACorners, TKitGraphicsModifyRectMode AModifyRectMode) = 0;
  virtual void FillEllipse(TKitGraphicsFill* AFill, const TRectF& ARect, TKitGraphicsModifyRectMode AModifyRectMode) = 0;
  virtual void DrawEllipse(TKitGraphicsStroke* AStroke, const TRectF& ARect,
                           TKitGraphicsModifyRectMode AModifyRectMode) = 0;
  virtual void DrawBitmap(TGraphic* ABitmap, const TRectF& ASrcRect, const TRectF& ADstRect, float AOpacity) = 0;
  virtual void ClipRect(const TRectF& ARect) = 0;
  virtual void ClipPath(TKitGraphicsPath* APath) = 0;
  virtual void DrawFocusPath(TKitGraphicsStroke* AStroke, TKitGraphicsPath* APath, TColor AColor) = 0;
  virtual void DrawFocusRectangle(TKitGraphicsStroke* AStroke, const TRectF& ARect, TColor AColor,
                                  TKitGraphicsModifyRectMode AModifyRectMode) = 0;
  virtual void DrawText(const QString& AText, const TRectF& ARect, bool AWordWrapping,
                        TKitGraphicsTextAlign AHorizontalAlign, TKitGraphicsTextAlign AVerticalAlign,
                        TKitGraphicsTextTrimming ATrimming, float AAngle) = 0;
  virtual void DrawPath(TKitGraphicsStroke* AStroke, TKitGraphicsPath* APath, TKitGraphicsPathDrawMode APathMode) = 0;
  virtual void FillPath(TKitGraphicsFill* AFill, TKitGraphicsPath* APath, TKitGraphicsPathDrawMode APathMode) = 0;

  // An ellipse whose fill and stroke are both visible: FillEllipse, then
  // DrawEllipse. A back-end that can put down the same pixels in one pass
  // overrides it.
  virtual void FillAndDrawEllipse(TKitGraphicsFill* AFill, TKitGraphicsStroke* AStroke, const TRectF& ARect,
                                  TKitGraphicsModifyRectMode AModifyRectMode);

  // The graphics path as a native path, curves cut into line segments of
  // about Flatness units (0.05 at least); the caller owns the result.
  void* ConvertToPath(TKitGraphicsPath* APath, float Flatness);

 private:
  TKitGraphics* FGraphics;
};

// Makes the context of a facade; the facade owns it.
using TKitGraphicsContextFactory = std::function<std::unique_ptr<TKitGraphicsContext>(TKitGraphics*)>;

// The GDI+ back-end's factory (see KitGraphics.Win).
TKitGraphicsContextFactory GetNativeContextClass();
// The GDI back-end's factory (see KitGraphics.General).
TKitGraphicsContextFactory GetGeneralContextClass();

// While alive, every facade created takes its context from AFactory instead
// of the back-end it asks for (used to observe what a facade hands on).
class TKitGraphicsContextOverride {
 public:
  explicit TKitGraphicsContextOverride(TKitGraphicsContextFactory AFactory);
  ~TKitGraphicsContextOverride();
  TKitGraphicsContextOverride(const TKitGraphicsContextOverride&) = delete;
  TKitGraphicsContextOverride& operator=(const TKitGraphicsContextOverride&) = delete;

 private:
  TKitGraphicsContextFactory FSaved;
};

// ---------------------------------------------------------------------------
// Control-part colours

// The colours of the control parts adapted to the style. All are 0 (black)
// until SetDefaultGraphicColors or a control's style initialisation writes
// them; the last writer decides them for every facade.
struct TKitGraphicsControlPartColors {
  TColor GlyphColor = 0;
  TColor Selection = 0;
  TColor BackgroundFill = 0;
  TColor BackgroundStroke = 0;
  TColor FocusedStroke = 0;
  TColor FocusedFill = 0;
  TColor DisabledStroke = 0;
  TColor DisabledFill = 0;
  TColor NormalStroke = 0;
  TColor NormalFill = 0;
  bool operator==(const TKitGraphicsControlPartColors&) const = default;
};
TKitGraphicsControlPartColors& ControlPartColors();

// ---------------------------------------------------------------------------
// Export interface

// A control that paints its content into a given facade and rectangle.
class IKitGraphicsExport {
 public:
  static constexpr QUuid IID{0x481CA803, 0x8B50, 0x4545, 0xB2, 0x12, 0x57, 0xAC, 0x0D, 0x06, 0x5D, 0x09};
  virtual ~IKitGraphicsExport() = default;
  virtual void Export(TKitGraphics* AGraphics, const TRectF& ARect) = 0;
};

// ---------------------------------------------------------------------------
// Facade

// A marked-up text: "</" or "/>" in it, or "<BR>" in its upper-cased form.
bool KitGraphicsIsMarkedUp(const QString& AText);

class TKitGraphics : public TObject {
 public:
  TF_DECLARE_PUBLISHED(TKitGraphics)
  TF_KIT_JSON_OPERATIONS
  // Draws on ACanvas with the GDI+ back-end (ANative) or the GDI one.
  TKitGraphics(TCanvas* ACanvas, bool ANative);
  // Create(ACanvas, True).
  static std::unique_ptr<TKitGraphics> CreateNative(TCanvas* ACanvas);
  // Draws on an owned bitmap of that size; AHighDPI has no effect.
  static std::unique_ptr<TKitGraphics> CreateBitmapCanvas(int AWidth, int AHeight, bool ANative, bool AHighDPI);
  static std::unique_ptr<TKitGraphics> CreateNativeBitmapCanvas(int AWidth, int AHeight);
  ~TKitGraphics() override;

  TKitGraphicsFill* Fill() const { return FFill.get(); }
  TKitGraphicsStroke* Stroke() const { return FStroke.get(); }
  TKitGraphicsFont* Font() const { return FFont.get(); }
  TBitmap* Bitmap() const { return FBitmap.get(); }
  TCanvas* Canvas() const { return FActiveCanvas; }
  TKitGraphicsContext* Context() const { return FNative ? FContextNative.get() : FContextGeneral.get(); }
  bool Native() const { return FNative; }

  bool OptimizedHTMLDrawing() const { return FOptimizedHTMLDrawing; }
  void SetOptimizedHTMLDrawing(bool Value) { FOptimizedHTMLDrawing = Value; }
  TColor HighlightColor() const { return FHighlightColor; }
  void SetHighlightColor(TColor Value) { FHighlightColor = Value; }
  TColor HighlightTextColor() const { return FHighlightTextColor; }
  void SetHighlightTextColor(TColor Value) { FHighlightTextColor = Value; }
  TFontStyles HighlightFontStyle() const { return FHighlightFontStyles; }
  void SetHighlightFontStyle(TFontStyles Value) { FHighlightFontStyles = Value; }
  TCustomImageList* ImageList() const { return FImageList; }
  void SetImageList(TCustomImageList* Value) { FImageList = Value; }
  TPictureContainer* PictureContainer() const { return FPictureContainer; }
  void SetPictureContainer(TPictureContainer* Value) { FPictureContainer = Value; }
  TColor URLColor() const { return FURLColor; }
  void SetURLColor(TColor Value) { FURLColor = Value; }
  bool URLUnderline() const { return FURLUnderline; }
  void SetURLUnderline(bool Value) { FURLUnderline = Value; }

  // Attribute setters: each reaches the context exactly once.
  virtual void SetFill(TKitGraphicsFill* AFill);
  virtual void SetStroke(TKitGraphicsStroke* AStroke);
  virtual void SetFillKind(TKitGraphicsFillKind AKind);
  virtual void SetFillColor(TColor AColor);
  virtual void SetFontColor(TColor AColor);
  virtual void SetFontName(const QString& AName);
  virtual void SetFont(TKitGraphicsFont* AFont);
  virtual void SetFontSize(int ASize);
  virtual void SetFontStyles(TFontStyles AStyle);
  virtual void SetStrokeKind(TKitGraphicsStrokeKind AKind);
  virtual void SetStrokeColor(TColor AColor);
  virtual void SetStrokeWidth(float AWidth);
  // Fill, stroke and font of ASource, each reaching the context once.
  virtual void Assign(TKitGraphics* ASource);

  virtual void BeginScene();
  virtual void EndScene();
  virtual void BeginPrinting();
  virtual void EndPrinting();
  void StartSpecialPen();
  void StopSpecialPen();
  virtual TKitGraphicsMatrix GetMatrix();
  virtual void SetMatrix(const TKitGraphicsMatrix& AMatrix);
  virtual void ClipRect(const TRectF& ARect);
  virtual void ClipRect(const TRect& ARect);
  // A new state (the caller hands it to RestoreState, which frees it).
  virtual TKitGraphicsSaveState* SaveState(bool ACanvasOnly = false);
  virtual void RestoreState(TKitGraphicsSaveState* AState, bool ACanvasOnly = false);

  // Shapes
  virtual void DrawLine(const TPointF& AFromPoint, const TPointF& AToPoint,
                        TKitGraphicsModifyPointMode AModifyPointModeFrom = gcpmRightDown,
                        TKitGraphicsModifyPointMode AModifyPointModeTo = gcpmRightDown);
  void DrawLine(const TPoint& AFromPoint, const TPoint& AToPoint,
                TKitGraphicsModifyPointMode AModifyPointModeFrom = gcpmRightDown,
                TKitGraphicsModifyPointMode AModifyPointModeTo = gcpmRightDown);
  virtual void DrawPolygon(const TKitGraphicsPathPolygon& APolygon);
  virtual void DrawPolyline(const TKitGraphicsPathPolygon& APolyline);
  virtual void DrawPath(TKitGraphicsPath* APath, TKitGraphicsPathDrawMode APathMode = pdmPolygon);
  virtual void DrawArc(const TPointF& Center, const TPointF& Radius, float StartAngle, float SweepAngle);
  void DrawArc(const TPoint& Center, const TPoint& Radius, int StartAngle, int SweepAngle);
  virtual void DrawRectangle(double ALeft, double ATop, double ARight, double ABottom, TKitGraphicsSides ASides,
                             TKitGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
  void DrawRectangle(double ALeft, double ATop, double ARight, double ABottom,
                     TKitGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
  void DrawRectangle(const TRectF& ARect, TKitGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
  void DrawRectangle(const TRectF& ARect, TKitGraphicsSides ASides,
                     TKitGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
  void DrawRectangle(int ALeft, int ATop, int ARight, int ABottom,
                     TKitGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
  void DrawRectangle(int ALeft, int ATop, int ARight, int ABottom, TKitGraphicsSides ASides,
                     TKitGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
  void DrawRectangle(const TRect& ARect, TKitGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
  void DrawRectangle(const TRect& ARect, TKitGraphicsSides ASides,
                     TKitGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
  virtual void DrawEllipse(double ALeft, double ATop, double ARight, double ABottom,
                           TKitGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
  void DrawEllipse(int ALeft, int ATop, int ARight, int ABottom,
                   TKitGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
  void DrawEllipse(const TRectF& ARect, TKitGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
  void DrawEllipse(const TRect& ARect, TKitGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
  virtual void DrawRoundRectangle(double ALeft, double ATop, double ARight, double ABottom, float ARounding,
                                  TKitGraphicsCorners ACorners = AllCorners(),
                                  TKitGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
  void DrawRoundRectangle(const TRectF& ARect, float ARounding, TKitGraphicsCorners ACorners = AllCorners(),
                          TKitGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
  void DrawRoundRectangle(int ALeft, int ATop, int ARight, int ABottom, int ARounding,
                          TKitGraphicsCorners ACorners = AllCorners(),
                          TKitGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
  void DrawRoundRectangle(const TRect& ARect, int ARounding, TKitGraphicsCorners ACorners = AllCorners(),
                          TKitGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
  virtual void DrawFocusRectangle(double ALeft, double ATop, double ARight, double ABottom, TColor AColor = 0,
                                  TKitGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
  void DrawFocusRectangle(int ALeft, int ATop, int ARight, int ABottom, TColor AColor = 0,
                          TKitGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
  void DrawFocusRectangle(const TRect& ARect, TColor AColor = 0,
                          TKitGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
  void DrawFocusRectangle(const TRectF& ARect, TColor AColor = 0,
                          TKitGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
  virtual void DrawFocusPath(TKitGraphicsPath* APath, TColor AColor = 0);

  // Pictures. Flags: aspect ratio, stretch, centre, cropping.
  virtual void DrawBitmap(double ALeft, double ATop, double ARight, double ABottom, TPicture* ABitmap,
                          bool AAspectRatio = true, bool AStretch = false, bool ACenter = true,
                          bool ACropping = false);
  void DrawBitmap(const TRectF& ARect, TPicture* ABitmap, bool AAspectRatio = true, bool AStretch = false,
                  bool ACenter = true, bool ACropping = false);
  void DrawBitmap(int ALeft, int ATop, int ARight, int ABottom, TPicture* ABitmap, bool AAspectRatio = true,
                  bool AStretch = false, bool ACenter = true, bool ACropping = false);
  void DrawBitmap(const TRect& ARect, TPicture* ABitmap, bool AAspectRatio = true, bool AStretch = false,
                  bool ACenter = true, bool ACropping = false);
  // At natural size with the top-left corner at the point.
  void DrawBitmap(int ALeft, int ATop, TPicture* ABitmap);
  void DrawBitmap(float ALeft, float ATop, TPicture* ABitmap);
  virtual void DrawBitmapPart(double ASourceLeft, double ASourceTop, double ASourceRight, double ASourceBottom,
                              double ADestinationLeft, double ADestinationTop, double ADestinationRight,
                              double ADestinationBottom, TPicture* ABitmap, bool AAspectRatio = true,
                              bool AStretch = false, bool ACenter = true, bool ACropping = false);
  void DrawBitmapPart(const TRectF& ASourceRect, const TRectF& ADestinationRect, TPicture* ABitmap,
                      bool AAspectRatio = true, bool AStretch = false, bool ACenter = true, bool ACropping = false);
  void DrawBitmapPart(const TRect& ASourceRect, const TRect& ADestinationRect, TPicture* ABitmap,
                      bool AAspectRatio = true, bool AStretch = false, bool ACenter = true, bool ACropping = false);
  // The part of the picture as a new picture the caller owns; null for an
  // empty rectangle or an SVG picture.
  virtual std::unique_ptr<TKitBitmap> DrawBitmapPartSync(double ASourceLeft, double ASourceTop, double ASourceRight,
                                                         double ASourceBottom, double ADestinationLeft,
                                                         double ADestinationTop, double ADestinationRight,
                                                         double ADestinationBottom, TPicture* ABitmap,
                                                         bool AAspectRatio = true, bool AStretch = false,
                                                         bool ACenter = true, bool ACropping = false);
  virtual TRectF GetBitmapDrawRectangle(double ALeft, double ATop, double ARight, double ABottom, TPicture* ABitmap,
                                        bool AAspectRatio = true, bool AStretch = false, bool ACenter = true,
                                        bool ACropping = false);
  TRectF GetBitmapDrawRectangle(const TRectF& ARect, TPicture* ABitmap, bool AAspectRatio = true,
                                bool AStretch = false, bool ACenter = true, bool ACropping = false);
  TRect GetBitmapDrawRectangle(const TRect& ARect, TPicture* ABitmap, bool AAspectRatio = true,
                               bool AStretch = false, bool ACenter = true, bool ACropping = false);
  virtual void DrawBitmapWithName(const TRectF& ARect, const QString& ABitmapName, bool AApplyScale = true,
                                  float AScale = 0, bool AAspectRatio = true, bool AStretch = false,
                                  bool ACenter = true, bool ACropping = false);
  void DrawBitmapWithName(const TRect& ARect, const QString& ABitmapName, bool AApplyScale = true, float AScale = 0,
                          bool AAspectRatio = true, bool AStretch = false, bool ACenter = true,
                          bool ACropping = false);
  virtual void DrawScaledBitmap(const TRectF& ARect, TKitScaledBitmaps* ABitmaps, float AScale = 0,
                                bool AAspectRatio = true, bool AStretch = false, bool ACenter = true,
                                bool ACropping = false);
  void DrawScaledBitmap(const TRect& ARect, TKitScaledBitmaps* ABitmaps, float AScale = 0, bool AAspectRatio = true,
                        bool AStretch = false, bool ACenter = true, bool ACropping = false);

  // The size (AWidth, AHeight) a picture of AOriginalWidth x AOriginalHeight
  // takes in ANewWidth x ANewHeight.
  virtual void GetAspectSize(float& AWidth, float& AHeight, float AOriginalWidth, float AOriginalHeight,
                             float ANewWidth, float ANewHeight, bool AAspectRatio, bool AStretch, bool ACropping);

  // Text (facade text drawing and measuring). The drawing forms answer the
  // link under (AX, AY) when ATestAnchor is set.
  QString DrawText(const TRectF& ARect, const QString& AText, QString& AControlID, QString& AControlValue,
                   QString& AControlType, bool AWordWrapping = false,
                   TKitGraphicsTextAlign AHorizontalAlign = gtaLeading,
                   TKitGraphicsTextAlign AVerticalAlign = gtaCenter, TKitGraphicsTextTrimming ATrimming = gttNone,
                   float AAngle = 0, float AMinWidth = -1, float AMinHeight = -1, bool ASupportHTML = true,
                   bool ATestAnchor = false, float AX = -1, float AY = -1);
  QString DrawText(const TRectF& ARect, const QString& AText, bool AWordWrapping = false,
                   TKitGraphicsTextAlign AHorizontalAlign = gtaLeading,
                   TKitGraphicsTextAlign AVerticalAlign = gtaCenter, TKitGraphicsTextTrimming ATrimming = gttNone,
                   float AAngle = 0, float AMinWidth = -1, float AMinHeight = -1, bool ASupportHTML = true,
                   bool ATestAnchor = false, float AX = -1, float AY = -1);
  QString DrawText(double ALeft, double ATop, double ARight, double ABottom, const QString& AText,
                   bool AWordWrapping = false, TKitGraphicsTextAlign AHorizontalAlign = gtaLeading,
                   TKitGraphicsTextAlign AVerticalAlign = gtaCenter, TKitGraphicsTextTrimming ATrimming = gttNone,
                   float AAngle = 0, float AMinWidth = -1, float AMinHeight = -1, bool ASupportHTML = true,
                   bool ATestAnchor = false, float AX = -1, float AY = -1);
  QString DrawText(const TRect& ARect, const QString& AText, bool AWordWrapping = false,
                   TKitGraphicsTextAlign AHorizontalAlign = gtaLeading,
                   TKitGraphicsTextAlign AVerticalAlign = gtaCenter, TKitGraphicsTextTrimming ATrimming = gttNone,
                   float AAngle = 0, float AMinWidth = -1, float AMinHeight = -1, bool ASupportHTML = true,
                   bool ATestAnchor = false, float AX = -1, float AY = -1);
  QString DrawText(int ALeft, int ATop, int ARight, int ABottom, const QString& AText, bool AWordWrapping = false,
                   TKitGraphicsTextAlign AHorizontalAlign = gtaLeading,
                   TKitGraphicsTextAlign AVerticalAlign = gtaCenter, TKitGraphicsTextTrimming ATrimming = gttNone,
                   float AAngle = 0, float AMinWidth = -1, float AMinHeight = -1, bool ASupportHTML = true,
                   bool ATestAnchor = false, float AX = -1, float AY = -1);
  // At a point: never wrapped, within 10000 units right of and below it.
  QString DrawText(const TPointF& APoint, const QString& AText, float AAngle = 0, bool ASupportHTML = true,
                   bool ATestAnchor = false, float AX = -1, float AY = -1);

  TRectF CalculateText(const QString& AText, const TRectF& ARect, bool AWordWrapping = false,
                       bool ASupportHTML = true);
  TRectF CalculateText(const QString& AText);
  TRect CalculateText(const QString& AText, const TRect& ARect, bool AWordWrapping = false, bool ASupportHTML = true);
  TRect CalculateTextInt(const QString& AText);
  TSizeF CalculateTextSize(const QString& AText, const TRectF& ARect, bool AWordWrapping = false,
                           bool ASupportHTML = true);
  TSizeF CalculateTextSize(const QString& AText);
  TSize CalculateTextSize(const QString& AText, const TRect& ARect, bool AWordWrapping = false,
                          bool ASupportHTML = true);
  TSize CalculateTextSizeInt(const QString& AText);
  float CalculateTextWidth(const QString& AText, const TRectF& ARect, bool AWordWrapping = false,
                           bool ASupportHTML = true);
  float CalculateTextWidth(const QString& AText);
  int CalculateTextWidth(const QString& AText, const TRect& ARect, bool AWordWrapping = false,
                         bool ASupportHTML = true);
  int CalculateTextWidthInt(const QString& AText);
  float CalculateTextHeight(const QString& AText, const TRectF& ARect, bool AWordWrapping = false,
                            bool ASupportHTML = true);
  float CalculateTextHeight(const QString& AText);
  int CalculateTextHeight(const QString& AText, const TRect& ARect, bool AWordWrapping = false,
                          bool ASupportHTML = true);
  int CalculateTextHeightInt(const QString& AText);
  // AText with each match of AHilight wrapped in the tag ATag.
  static QString ApplyHilight(const QString& AText, const QString& AHilight, const QString& ATag, bool ADoCase);

  // Control parts
  virtual void DrawCheckBox(const TRectF& ARect, bool AChecked, bool AFocused, bool AEnabled,
                            float AScaleFactor = 1.0f);
  void DrawCheckBox(const TRect& ARect, bool AChecked, bool AFocused, bool AEnabled, float AScaleFactor = 1.0f);
  virtual void DrawButton(const TRectF& ARect, bool ADown, bool AFocused, bool AEnabled, bool AAdaptToStyle,
                          float AScaleFactor = 1.0f);
  void DrawButton(const TRect& ARect, bool ADown, bool AFocused, bool AEnabled, bool AAdaptToStyle,
                  float AScaleFactor = 1.0f);
  virtual void DrawCloseButton(const TRectF& ARect, bool ADown, bool AFocused, bool AEnabled, bool AAdaptToStyle,
                               float AScaleFactor = 1.0f);
  void DrawCloseButton(const TRect& ARect, bool ADown, bool AFocused, bool AEnabled, bool AAdaptToStyle,
                       float AScaleFactor = 1.0f);
  virtual void DrawExpanderButton(const TRectF& ARect, TKitGraphicsExpanderState AState, bool ADown, bool AFocused,
                                  bool AEnabled, bool AAdaptToStyle, float AScaleFactor = 1.0f);
  void DrawExpanderButton(const TRect& ARect, TKitGraphicsExpanderState AState, bool ADown, bool AFocused,
                          bool AEnabled, bool AAdaptToStyle, float AScaleFactor = 1.0f);
  virtual void DrawCompactButton(const TRectF& ARect, TKitGraphicsCompactState AState, bool ADown, bool AFocused,
                                 bool AEnabled, bool AAdaptToStyle, float AScaleFactor = 1.0f);
  void DrawCompactButton(const TRect& ARect, TKitGraphicsCompactState AState, bool ADown, bool AFocused,
                         bool AEnabled, bool AAdaptToStyle, float AScaleFactor = 1.0f);
  virtual void DrawDropDownButton(const TRectF& ARect, bool ADown, bool AFocused, bool AEnabled, bool ACenter,
                                  bool AAdaptToStyle, float AScaleFactor = 1.0f);
  void DrawDropDownButton(const TRect& ARect, bool ADown, bool AFocused, bool AEnabled, bool ACenter,
                          bool AAdaptToStyle, float AScaleFactor = 1.0f);
  virtual void DrawRadioButton(const TRectF& ARect, bool AChecked, bool AFocused, bool AEnabled,
                               float AScaleFactor = 1.0f);
  void DrawRadioButton(const TRect& ARect, bool AChecked, bool AFocused, bool AEnabled, float AScaleFactor = 1.0f);
  // The format text is formatted with one floating-point argument (the
  // percentage); a format that does not take exactly that is drawn as it is.
  virtual void DrawProgressBar(const TRectF& ARect, float AValue, const QString& AFormat, float AMax = 100,
                               TColor AColor = 0x40C000, TColor ATextColor = 0, bool AShowText = true,
                               bool AEnabled = true, float AScaleFactor = 1.0f);
  void DrawProgressBar(const TRect& ARect, float AValue, const QString& AFormat, float AMax = 100,
                       TColor AColor = 0x40C000, TColor ATextColor = 0, bool AShowText = true, bool AEnabled = true,
                       float AScaleFactor = 1.0f);
  static void SetDefaultGraphicColors();
  static void DrawSample(TCanvas* ACanvas, const TRectF& ARect);

  // Class operations
  // The container's picture (it keeps it); null when not found.
  static TPicture* GetBitmapFromPictureContainer(TPictureContainer* APictureContainer, const QString& AName,
                                                 bool AApplyScale, float AScale);
  static TPicture* GetScaledBitmap(TKitScaledBitmaps* ABitmaps, float AScale, TPictureContainer* APictureContainer);
  static bool PointInCircle(const TPointF& APoint, const TPointF& ACenter, float ARadius);
  static bool PointInPath(const TPointF& APoint, TKitGraphicsPath* APath);
  static bool PointInPath(const TPoint& APoint, TKitGraphicsPath* APath);
  static bool PointInPolygon(const TPointF& APoint, const TKitGraphicsPathPolygon& APolygon);
  static bool PointInPolygon(const TPoint& APoint, const TKitGraphicsPathPolygon& APolygon);
  static bool PointInRect(const TPointF& APoint, const TRectF& ARect);
  static bool PointInRect(const TPoint& APoint, const TRect& ARect);
  static Byte GetColorRed(TColor AColor);
  static Byte GetColorGreen(TColor AColor);
  static Byte GetColorBlue(TColor AColor);
  static QString ColorToHTML(TColor AColor);
  // -1 for an empty text; "#RGB" or "#RRGGBB" (the first character is not
  // checked). Anything shorter, or a non-hexadecimal digit where digits are
  // read, raises EConvertError.
  static TColor HTMLToColor(const QString& AHTML);
  static TColor TextToColor(const QString& AText);

  static constexpr TKitGraphicsCorners AllCorners() {
    return TKitGraphicsCorners{gcTopLeft, gcTopRight, gcBottomLeft, gcBottomRight};
  }
  static constexpr TKitGraphicsSides AllSides() { return TKitGraphicsSides{gsLeft, gsTop, gsRight, gsBottom}; }

  // Finds a picture of the container by name (installed by the picture
  // container's unit; without it no picture is found).
  using TPictureContainerLookup = std::function<TPicture*(TPictureContainer*, const QString&)>;
  static void SetPictureContainerLookup(TPictureContainerLookup ALookup);

 protected:
  virtual TRectF DoCalculateText(const QString& AText, const TRectF& ARect, bool AWordWrapping, bool ASupportHTML);
  virtual QString DoDrawText(const TRectF& ARect, const QString& AText, QString& AControlID, QString& AControlValue,
                             QString& AControlType, bool AWordWrapping, TKitGraphicsTextAlign AHorizontalAlign,
                             TKitGraphicsTextAlign AVerticalAlign, TKitGraphicsTextTrimming ATrimming, float AAngle,
                             float AMinWidth, float AMinHeight, bool ASupportHTML, bool ATestAnchor, float AX,
                             float AY);

 private:
  struct TBitmapCanvasTag {};
  TKitGraphics(TBitmapCanvasTag, int AWidth, int AHeight, bool ANative);
  void CreateContext(bool ANative);
  void CreateAttributes();
  bool FillVisible() const;
  bool StrokeVisible() const;
  void DrawTexture(const TRectF& ARect);
  void DrawGlyphButton(const TRectF& ARect, int AGlyph, bool ADown, bool AFocused, bool AEnabled, bool ACenter,
                       bool AAdaptToStyle, float AScaleFactor);
  // Lays out marked-up text in ARect: measures (ADraw false) or draws and
  // hit-tests at APoint.
  struct THtmlResult {
    float Width = 0;
    float Height = 0;
    int Lines = 0;
    QString Anchor;
    QString ControlID, ControlValue, ControlType;
    bool Hit = false;
  };
  THtmlResult RunHtml(const QString& AText, const TRectF& ARect, bool AWordWrapping, bool ADraw, bool ATestAnchor,
                      const TPoint& APoint);

  TCanvas* FActiveCanvas = nullptr;
  int FBlockUpdate = 0;
  bool FNative = false;
  std::unique_ptr<TKitGraphicsContext> FContextNative;
  std::unique_ptr<TKitGraphicsContext> FContextGeneral;
  std::unique_ptr<TBitmap> FBitmap;
  std::unique_ptr<TKitGraphicsFill> FFill;
  std::unique_ptr<TKitGraphicsStroke> FStroke;
  std::unique_ptr<TKitGraphicsFont> FFont;
  TColor FHighlightColor = 0;
  bool FOptimizedHTMLDrawing = false;
  TColor FHighlightTextColor = 0;
  TFontStyles FHighlightFontStyles;
  bool FURLUnderline = true;
  TColor FURLColor = 0xFF0000;
  TPictureContainer* FPictureContainer = nullptr;
  TCustomImageList* FImageList = nullptr;
};
