#pragma once
// The value types of the drawing layer: fills, strokes, fonts, the 3 x 3
// matrix, the floating-point path, the saved drawing state, the layer's
// enumerations and the list of colour names.
//
// Inside fills and strokes the colour -1 means "no colour": their colour
// setters store the framework's clNone as -1 and clDefault as clBtnFace.
// Fills, strokes and fonts tell every change through OnChanged, held back
// while a BeginUpdate/EndUpdate pair is open.

#include <QString>
#include <span>
#include <array>
#include <memory>
#include <vector>

#include "foundation/KitTypes.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/System.h"
#include "platform/rtl/TypInfo.h"
#include "platform/rtl/Types.h"
#include "platform/vcl/Graphics.h"

// ---------------------------------------------------------------------------
// Enumerations

enum TKitGraphicsFillKind { gfkNone, gfkSolid, gfkGradient, gfkTexture };
TF_ENUM_NAMES(TKitGraphicsFillKind, gfkNone, gfkSolid, gfkGradient, gfkTexture)
enum TKitGraphicsStrokeKind { gskNone, gskSolid, gskDash, gskDot, gskDashDot, gskDashDotDot };
TF_ENUM_NAMES(TKitGraphicsStrokeKind, gskNone, gskSolid, gskDash, gskDot, gskDashDot, gskDashDotDot)
enum TKitGraphicsTextureMode { gtmOriginal, gtmFit, gtmStretch, gtmCenter, gtmTile };
TF_ENUM_NAMES(TKitGraphicsTextureMode, gtmOriginal, gtmFit, gtmStretch, gtmCenter, gtmTile)
enum TKitGraphicsFillGradientMode { gfgmDefault, gfgmCollection };
TF_ENUM_NAMES(TKitGraphicsFillGradientMode, gfgmDefault, gfgmCollection)
enum TKitGraphicsFillGradientType { gfgtLinear, gfgtRadial };
TF_ENUM_NAMES(TKitGraphicsFillGradientType, gfgtLinear, gfgtRadial)
enum TKitGraphicsFillOrientation { gfoHorizontal, gfoVertical, gfoCustom };
TF_ENUM_NAMES(TKitGraphicsFillOrientation, gfoHorizontal, gfoVertical, gfoCustom)
enum TKitGraphicsTextAlign { gtaCenter, gtaLeading, gtaTrailing };
TF_ENUM_NAMES(TKitGraphicsTextAlign, gtaCenter, gtaLeading, gtaTrailing)
enum TKitGraphicsTextTrimming { gttNone, gttCharacter, gttWord };
TF_ENUM_NAMES(TKitGraphicsTextTrimming, gttNone, gttCharacter, gttWord)
enum TKitGraphicsSide { gsLeft, gsTop, gsRight, gsBottom };
TF_ENUM_NAMES(TKitGraphicsSide, gsLeft, gsTop, gsRight, gsBottom)
using TKitGraphicsSides = TSet<TKitGraphicsSide>;
enum TKitGraphicsTextQuality { gtqDefault, gtqAntiAliasing, gtqClearType };
TF_ENUM_NAMES(TKitGraphicsTextQuality, gtqDefault, gtqAntiAliasing, gtqClearType)
enum TKitGraphicsPathPointKind : Byte { gppMoveTo, gppLineTo, gppCurveTo, gppClose };
TF_ENUM_NAMES(TKitGraphicsPathPointKind, gppMoveTo, gppLineTo, gppCurveTo, gppClose)
enum TKitGraphicsPathDrawMode { pdmPolygon, pdmPolyline, pdmPath };
TF_ENUM_NAMES(TKitGraphicsPathDrawMode, pdmPolygon, pdmPolyline, pdmPath)
enum TKitGraphicsModifyRectMode {
  gcrmNone,
  gcrmExpandAll,
  gcrmShrinkAll,
  gcrmShiftRightAndExpandHeight,
  gcrmShiftDownAndExpandWidth,
  gcrmShiftRightAndShrinkHeight,
  gcrmShiftRightDown,
  gcrmShiftRightUp,
  gcrmShiftLeftUp,
  gcrmShiftLeftDown,
  gcrmShiftUpAndExpandWidth,
  gcrmShiftLeftAndExpandHeight
};
TF_ENUM_NAMES(TKitGraphicsModifyRectMode, gcrmNone, gcrmExpandAll, gcrmShrinkAll, gcrmShiftRightAndExpandHeight,
              gcrmShiftDownAndExpandWidth, gcrmShiftRightAndShrinkHeight, gcrmShiftRightDown, gcrmShiftRightUp,
              gcrmShiftLeftUp, gcrmShiftLeftDown, gcrmShiftUpAndExpandWidth, gcrmShiftLeftAndExpandHeight)
enum TKitGraphicsModifyPointMode { gcpmNone, gcpmLeftUp, gcpmRightDown, gcpmLeftDown, gcpmRightUp };
TF_ENUM_NAMES(TKitGraphicsModifyPointMode, gcpmNone, gcpmLeftUp, gcpmRightDown, gcpmLeftDown, gcpmRightUp)
enum TKitGraphicsExpanderState { gesCollapsed, gesExpanded };
TF_ENUM_NAMES(TKitGraphicsExpanderState, gesCollapsed, gesExpanded)
enum TKitGraphicsCompactState { gcsCollapsed, gcsExpanded };
TF_ENUM_NAMES(TKitGraphicsCompactState, gcsCollapsed, gcsExpanded)
// As set bits: top-left 1, top-right 2, bottom-left 4, bottom-right 8.
enum TKitGraphicsCorner { gcTopLeft, gcTopRight, gcBottomLeft, gcBottomRight };
TF_ENUM_NAMES(TKitGraphicsCorner, gcTopLeft, gcTopRight, gcBottomLeft, gcBottomRight)
using TKitGraphicsCorners = TSet<TKitGraphicsCorner>;

// The "no colour" of fills, strokes and the drawing facade.
inline constexpr TColor gcNoColor = -1;

// ---------------------------------------------------------------------------
// Matrix

struct TKitGraphicsVector {
  float X = 0;
  float Y = 0;
  float W = 0;
  // The three values by position (EArgumentOutOfRangeException outside 0..2).
  float V(int Index) const;
  void SetV(int Index, float Value);
  bool operator==(const TKitGraphicsVector&) const = default;
};

// A 3 x 3 single-precision matrix acting on row vectors: (x, y) maps to
// (x*m11 + y*m21 + m31, x*m12 + y*m22 + m32). The all-zero matrix is the
// empty matrix: "no transform set" where a matrix is optional.
struct TKitGraphicsMatrix {
  float m11 = 0, m12 = 0, m13 = 0;
  float m21 = 0, m22 = 0, m23 = 0;
  float m31 = 0, m32 = 0, m33 = 0;

  // Rows by position (EArgumentOutOfRangeException outside 0..2).
  TKitGraphicsVector M(int Row) const;
  void SetM(int Row, const TKitGraphicsVector& Value);

  static TKitGraphicsMatrix Identity();
  // AAngle in radians.
  static TKitGraphicsMatrix CreateRotation(float AAngle);
  static TKitGraphicsMatrix CreateScaling(float AScaleX, float AScaleY);
  static TKitGraphicsMatrix CreateTranslation(float ADeltaX, float ADeltaY);

  float Determinant() const;
  // The transposed cofactor matrix.
  TKitGraphicsMatrix Adjoint() const;
  // Adjoint / Determinant; the identity when |Determinant| < 1E-40.
  TKitGraphicsMatrix Inverse() const;
  // Every element times AFactor.
  TKitGraphicsMatrix MatrixScale(float AFactor) const;

  bool operator==(const TKitGraphicsMatrix&) const = default;
};

// The ordinary product AMatrix1 x AMatrix2 of the full matrices.
TKitGraphicsMatrix operator*(const TKitGraphicsMatrix& AMatrix1, const TKitGraphicsMatrix& AMatrix2);
// APoint mapped through AMatrix.
TPointF operator*(const TPointF& APoint, const TKitGraphicsMatrix& AMatrix);

TKitGraphicsMatrix MatrixIdentity();
TKitGraphicsMatrix MatrixEmpty();
// True only when all nine elements are exactly 0.
bool MatrixIsEmpty(const TKitGraphicsMatrix& AMatrix);
TKitGraphicsMatrix MatrixCreateRotation(float AAngle);
TKitGraphicsMatrix MatrixCreateScaling(float AScaleX, float AScaleY);
TKitGraphicsMatrix MatrixCreateTranslation(float ADeltaX, float ADeltaY);
TPointF MatrixMultiplyPoint(const TPointF& APoint, const TKitGraphicsMatrix& AMatrix);
TKitGraphicsMatrix MatrixMultiply(const TKitGraphicsMatrix& AMatrix1, const TKitGraphicsMatrix& AMatrix2);

// ---------------------------------------------------------------------------
// Path records

struct TKitGraphicsPathPoint {
  TKitGraphicsPathPointKind Kind = gppMoveTo;
  bool Dummy = false;
  TPointF Point;
  bool operator==(const TKitGraphicsPathPoint&) const = default;
};
using TKitGraphicsPathPoints = std::vector<TKitGraphicsPathPoint>;
using TKitGraphicsPathPolygon = std::vector<TPointF>;
// Start, first control, second control, end.
using TKitGraphicsPathCubicBezier = std::array<TPointF, 4>;

// ---------------------------------------------------------------------------
// Fill

class TKitCustomGraphicsFill;
class TKitCustomGraphicsStroke;

class TKitGraphicsFillGradientItem : public TCollectionItem {
 public:
  TF_DECLARE_PUBLISHED(TKitGraphicsFillGradientItem)
  TF_KIT_JSON_OPERATIONS
  // Color 0xFFFFFF, Position 0, Opacity 1.
  explicit TKitGraphicsFillGradientItem(TCollection* Collection);

  // From another gradient item; anything else raises the assign error.
  void Assign(TPersistent* Source) override;

  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  float Position() const { return FPosition; }
  void SetPosition(float Value);
  float Opacity() const { return FOpacity; }
  void SetOpacity(float Value);

 private:
  // Tells the fill that owns the collection.
  void ItemChanged();

  TColor FColor = 0xFFFFFF;
  float FPosition = 0;
  float FOpacity = 1;
};

class TKitGraphicsFillGradientItems : public TKitOwnedCollection<TKitGraphicsFillGradientItem> {
 public:
  TF_DECLARE_PUBLISHED(TKitGraphicsFillGradientItems)
  TF_KIT_JSON_OPERATIONS
  explicit TKitGraphicsFillGradientItems(TKitCustomGraphicsFill* AOwner);

  TKitGraphicsFillGradientItem* Add();
  TKitGraphicsFillGradientItem* Insert(int Index);
  TKitGraphicsFillGradientItem* Items(int Index) const { return GetItemEx(Index); }
  void SetItems(int Index, TKitGraphicsFillGradientItem* Value) { SetItemEx(Index, Value); }
  TKitCustomGraphicsFill* Fill() const { return FOwner; }

 protected:
  TKitGraphicsFillGradientItem* GetItemEx(int Index) const { return GetItem(Index); }
  void SetItemEx(int Index, TKitGraphicsFillGradientItem* Value) { GetItem(Index)->Assign(Value); }

 private:
  TKitCustomGraphicsFill* FOwner;
};

class TKitCustomGraphicsFill : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TKitCustomGraphicsFill)
  TF_KIT_JSON_OPERATIONS
  // Kind and Color as given; ColorTo 0x808080, no mirror colours, opaque,
  // vertical, stretched texture, linear gradient with the identity matrix,
  // no gradient items.
  explicit TKitCustomGraphicsFill(TKitGraphicsFillKind AKind = gfkSolid, TColor AColor = 0xFFFFFF);
  ~TKitCustomGraphicsFill() override;

  // From a fill: everything but GradientMatrix. From a stroke: its colour
  // as a solid, vertical, opaque fill without second or mirror colours.
  // From anything else: nothing. One change signal follows in every case.
  void Assign(TPersistent* Source) override;

  void BeginUpdate();
  // Lowers the update count and signals a change once it is back at 0.
  void EndUpdate();
  void ClearGradientItems();
  TKitGraphicsFillGradientItem* AddGradientItem(TColor AColor, float APosition, float AOpacity);

  TNotifyEvent OnChanged;

  TKitGraphicsFillKind Kind() const { return FKind; }
  void SetKind(TKitGraphicsFillKind Value);
  TKitGraphicsFillOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TKitGraphicsFillOrientation Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TColor ColorTo() const { return FColorTo; }
  void SetColorTo(TColor Value);
  TColor ColorMirror() const { return FColorMirror; }
  void SetColorMirror(TColor Value);
  TColor ColorMirrorTo() const { return FColorMirrorTo; }
  void SetColorMirrorTo(TColor Value);
  TKitGraphicsTextureMode TextureMode() const { return FTextureMode; }
  void SetTextureMode(TKitGraphicsTextureMode Value);
  // The owned picture; a change of it is a change of the fill.
  TKitBitmap* Texture() const { return FTexture.get(); }
  // Assigned into the owned picture.
  void SetTexture(TKitBitmap* Value);
  float Opacity() const { return FOpacity; }
  void SetOpacity(float Value);
  const TKitGraphicsMatrix& GradientMatrix() const { return FGradientMatrix; }
  void SetGradientMatrix(const TKitGraphicsMatrix& Value);
  float GradientAngle() const { return FGradientAngle; }
  void SetGradientAngle(float Value);
  TKitGraphicsFillGradientType GradientType() const { return FGradientType; }
  void SetGradientType(TKitGraphicsFillGradientType Value);
  TKitGraphicsFillGradientMode GradientMode() const { return FGradientMode; }
  void SetGradientMode(TKitGraphicsFillGradientMode Value);
  TKitGraphicsFillGradientItems* GradientItems() const { return FGradientItems.get(); }
  // Assigns Value's items into the owned collection.
  void SetGradientItems(TKitGraphicsFillGradientItems* Value);
  TPointF GradientCenterPoint() const { return FGradientCenterPoint; }
  // Signals even when the point is the same.
  void SetGradientCenterPoint(const TPointF& Value);
  TColor GradientCenterColor() const { return FGradientCenterColor; }
  void SetGradientCenterColor(TColor Value);
  TKitGraphicsFillOrientation GradientOrientation() const { return FOrientation; }
  void SetGradientOrientation(TKitGraphicsFillOrientation Value) { SetOrientation(Value); }

 protected:
  // Fires OnChanged unless an update is open.
  void Changed();

 private:
  friend class TKitGraphicsFillGradientItem;
  void SetColorField(TColor& Field, TColor Value);

  int FUpdateCount = 0;
  TKitGraphicsFillOrientation FOrientation = gfoVertical;
  TKitGraphicsFillKind FKind;
  TColor FColor;
  TColor FColorTo = 0x808080;
  TColor FColorMirror = gcNoColor;
  TColor FColorMirrorTo = gcNoColor;
  float FOpacity = 1;
  std::unique_ptr<TKitBitmap> FTexture;
  TKitGraphicsTextureMode FTextureMode = gtmStretch;
  TKitGraphicsFillGradientMode FGradientMode = gfgmDefault;
  std::unique_ptr<TKitGraphicsFillGradientItems> FGradientItems;
  TKitGraphicsFillGradientType FGradientType = gfgtLinear;
  float FGradientAngle = 0;
  TPointF FGradientCenterPoint;
  TColor FGradientCenterColor = gcNoColor;
  TKitGraphicsMatrix FGradientMatrix = TKitGraphicsMatrix::Identity();
};

// The fill with its published properties: OnChanged, Kind (default
// gfkSolid), Orientation (gfoVertical), Color (0xFFFFFF), ColorTo
// (0x808080), ColorMirror (-1), ColorMirrorTo (-1), TextureMode
// (gtmStretch).
class TKitGraphicsFill : public TKitCustomGraphicsFill {
 public:
  TF_DECLARE_PUBLISHED(TKitGraphicsFill)
  using TKitCustomGraphicsFill::TKitCustomGraphicsFill;
};

// ---------------------------------------------------------------------------
// Stroke

class TKitCustomGraphicsStroke : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TKitCustomGraphicsStroke)
  TF_KIT_JSON_OPERATIONS
  // Kind and Color as given, Width 1, Opacity 1.
  explicit TKitCustomGraphicsStroke(TKitGraphicsStrokeKind AKind = gskSolid, TColor AColor = 0xC0C0C0);

  // From a stroke: Color, Kind, Opacity, Width. From a fill: its colour as
  // a solid stroke of width 1, opaque. Otherwise nothing. One change signal
  // follows in every case.
  void Assign(TPersistent* Source) override;
  void BeginUpdate();
  void EndUpdate();

  TNotifyEvent OnChanged;

  TKitGraphicsStrokeKind Kind() const { return FKind; }
  void SetKind(TKitGraphicsStrokeKind Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  float Width() const { return FWidth; }
  void SetWidth(float Value);
  float Opacity() const { return FOpacity; }
  void SetOpacity(float Value);

 protected:
  void Changed();

 private:
  int FUpdateCount = 0;
  TKitGraphicsStrokeKind FKind;
  TColor FColor;
  float FWidth = 1;
  float FOpacity = 1;
};

// Published: OnChanged, Kind (default gskSolid), Color (0xC0C0C0), Width
// (stored when not 1).
class TKitGraphicsStroke : public TKitCustomGraphicsStroke {
 public:
  TF_DECLARE_PUBLISHED(TKitGraphicsStroke)
  using TKitCustomGraphicsStroke::TKitCustomGraphicsStroke;
};

// ---------------------------------------------------------------------------
// Font

// The framework font with a change signal that can be held back: every
// change of name, size, style or colour fires OnChanged while no update is
// open. Height starts at -11.
class TKitGraphicsFont : public TFont {
 public:
  TF_DECLARE_PUBLISHED(TKitGraphicsFont)
  TF_KIT_JSON_OPERATIONS
  TKitGraphicsFont();

  // The framework font's assign, then one change signal.
  void Assign(TPersistent* Source) override;
  void AssignSource(TPersistent* Source) { Assign(Source); }
  void BeginUpdate();
  void EndUpdate();

  TNotifyEvent OnChanged;

 private:
  void FontChanged();
  int FUpdateCount = 0;
};

// ---------------------------------------------------------------------------
// Path

// The device-independent path: single-precision points tagged as move,
// line, cubic-curve or close points. A cubic segment is three gppCurveTo
// points (first control, second control, end) starting at the point before
// them; a gppClose point holds the figure start.
// How a fill covers the overlaps of a path's figures: alternate (even-odd)
// or winding (non-zero).
enum TKitGraphicsPathFillRule { pfrAlternate, pfrWinding };

class TKitGraphicsPath : public TPersistent {
 public:
  TKitGraphicsPath() = default;

  // The rule the back-ends fill and clip by; alternate unless set.
  TKitGraphicsPathFillRule FillRule() const { return FFillRule; }
  void SetFillRule(TKitGraphicsPathFillRule Value) { FFillRule = Value; }

  int Count() const { return static_cast<int>(FPoints.size()); }
  const TKitGraphicsPathPoints& PathData() const { return FPoints; }
  bool Clippable() const { return FClippable; }
  void SetClippable(bool Value) { FClippable = Value; }
  bool IsClippable() const { return FClippable; }

  void MoveTo(const TPointF& P);
  // Reaching the figure start exactly makes the path clippable.
  void LineTo(const TPointF& P);
  void CurveTo(const TPointF& ControlPoint1, const TPointF& ControlPoint2, const TPointF& EndPoint);
  // The quadratic curve from the last point, as a cubic.
  void QuadCurveTo(const TPointF& ControlPoint, const TPointF& EndPoint);
  // The first control point is the last point's mirror of the one before.
  void SmoothCurveTo(const TPointF& ControlPoint2, const TPointF& EndPoint);
  void ClosePath();
  void AddLine(const TPointF& StartPoint, const TPointF& EndPoint);
  // LineTo for every point (no MoveTo first).
  void AddPolygon(const TKitGraphicsPathPolygon& APolygon);
  void AddPath(const TKitGraphicsPath& APath);
  void AddRectangle(const TRectF& ARect, float ARoundingX = 0, float ARoundingY = 0);
  void AddEllipse(const TRectF& ARect);
  // Angles in degrees from the positive x axis towards the positive y axis.
  void AddArc(const TPointF& Center, const TPointF& Radius, float StartAngle, float SweepAngle);
  // Every point but the close points through AMatrix.
  void ApplyMatrix(const TKitGraphicsMatrix& AMatrix);
  // Empties the point list (start point and Clippable stay).
  void Clear();
  // From another path: its points; anything else raises the assign error.
  void Assign(TPersistent* Source) override;

  // (0, 0, 0, 0) when empty; a side shorter than 0.001 is made 0.001 long.
  TRectF GetBounds() const;
  // (0, 0) when empty.
  TPointF LastPoint() const;
  // EArgumentOutOfRangeException "Argument out of range" outside the list.
  const TKitGraphicsPathPoint& GetPoint(int AIndex) const;
  bool IsPointVisible(const TPointF& P) const;
  bool IsRectVisible(const TRectF& R) const;
  // Replaces the curves by lines (tolerance Flatness, at least 0.05).
  void Flatten(float Flatness);
  // Every figure of the path as one polygon; the path stays as it is.
  void FlattenToPolygon(TKitGraphicsPathPolygon& Polygon, float Flatness) const;
  // PointCount points of the curve for t = 0, 1/(PointCount - 1), ... 1.
  static TKitGraphicsPathPolygon CreateBezier(const TKitGraphicsPathCubicBezier& Bezier, int PointCount);
  static TPointF PointOnBezier(const TPointF& StartPoint, double AX, double BX, double CX, double AY, double BY,
                               double CY, double T);

  // A curve is never cut into more lines than this, whatever its length.
  static constexpr int MaxCurveSegments = 10000;

 private:
  TKitGraphicsPathFillRule FFillRule = pfrAlternate;
  void Append(TKitGraphicsPathPointKind Kind, const TPointF& P);
  void AddArcSegment(bool First, float Piece, float Start, const TPointF& Center, const TPointF& Radius);
  // Walks the points: OnPoint(point, isFigureStartClose) for moves and lines
  // as the two forms of flattening need them.
  template <class Sink>
  void Walk(float Flatness, Sink& sink) const;

  TPointF FStartPoint;
  bool FClippable = false;
  TKitGraphicsPathPoints FPoints;
};

// True when some point lies in ARect (left and top edges inside).
bool AnyPointInRect(const TKitGraphicsPathPolygon& APolygon, const TRectF& ARect);
// The even-odd rule, after a bounding-box test.
bool PolygonContainsPoint(const TPointF& P, const TKitGraphicsPathPolygon& APolygon);

// ---------------------------------------------------------------------------
// Saved drawing state

class TKitGraphicsSaveState : public TPersistent {
 public:
  // A solid white fill, a solid silver stroke and a font.
  TKitGraphicsSaveState();

  int SaveDC() const { return FSaveDC; }
  void SetSaveDC(int Value) { FSaveDC = Value; }
  NativeUInt CustomSaveDC() const { return FCustomSaveDC; }
  void SetCustomSaveDC(NativeUInt Value) { FCustomSaveDC = Value; }
  TKitGraphicsFont* Font() const { return FFont.get(); }
  void SetFont(TKitGraphicsFont* Value) { FFont->Assign(Value); }
  TKitGraphicsStroke* Stroke() const { return FStroke.get(); }
  void SetStroke(TKitGraphicsStroke* Value) { FStroke->Assign(Value); }
  TKitGraphicsFill* Fill() const { return FFill.get(); }
  void SetFill(TKitGraphicsFill* Value) { FFill->Assign(Value); }

 private:
  int FSaveDC = 0;
  std::unique_ptr<TKitGraphicsFont> FFont;
  std::unique_ptr<TKitGraphicsStroke> FStroke;
  std::unique_ptr<TKitGraphicsFill> FFill;
  NativeUInt FCustomSaveDC = 0;
};

// ---------------------------------------------------------------------------
// Colours

// The object of each colour-name list entry.
class TKitGraphicsColorObject : public TObject {
 public:
  TF_DECLARE_PUBLISHED(TKitGraphicsColorObject)
  TF_KIT_JSON_OPERATIONS
  explicit TKitGraphicsColorObject(TColor AColor = 0) : FColor(AColor) {}
  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }

 private:
  TColor FColor;
};

// R or G * 256 or B * 65536.
TColor MakeRgb(Byte R, Byte G, Byte B);
// Each channel of the colour (system colours resolved) moved Percent per
// cent of the way to 255; a negative Percent darkens. Channels stay within
// 0..255.
TColor LighterColor(TColor Color, int Percent);
// Color1 and Color2 (system colours resolved) mixed per channel with the
// weight w = Round(Percent * 2.55), kept within 0..255:
// c2 + (c1 - c2) * w / 256, rounded down. Percent 0 gives Color2.
TColor BlendColor(TColor Color1, TColor Color2, int Percent);
// ARect unchanged, whatever the mode.
TRectF ModifyRect(const TRectF& ARect, TKitGraphicsModifyRectMode AMode);
// Fills ARect with a band gradient from AFromColor to AToColor (both
// through ColorToRGB), left to right (AHorizontal) or top to bottom: one
// band of one pixel per column or row, each drawn with Rectangle in its
// colour, from + Round(u * (to - from) / steps) per channel. The corners in
// ACorners are cut round with ARadius: the bands within ARadius of a rounded
// corner are shortened by Round(r - sqrt(r^2 - (r - d)^2)), d being the
// band's distance from that side (its index u on the left or top side, the
// remaining count e - u on the right or bottom one). An empty or inverted
// rectangle draws nothing. The canvas's pen and brush colours and styles
// come back as they were.
void DrawRoundGradient(TCanvas* ACanvas, TColor AFromColor, TColor AToColor, const TRect& ARect, int ARadius,
                       TKitGraphicsCorners ACorners, bool AHorizontal);

// The colour-name list built at start-up: 160 names (the extended colour
// keywords of CSS Color Module Level 3 and a second entry for thirteen basic
// names), sorted without regard to case, each with a TKitGraphicsColorObject.
// Null before start-up and after shut-down.
TStringList* GetColorList();

// A colour keyword and its value as written in style sheets (0xRRGGBB).
struct TKitNamedColor {
  const char* Name;
  int Rgb;
};
// The 147 extended colour keywords of CSS Color Module Level 3, sorted by name.
std::span<const TKitNamedColor> CssColorKeywords();
