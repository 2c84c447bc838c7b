#pragma once
// The SVG engine: the document behind every TKitSVGBitmap, its element tree,
// the readers of attribute values, path data and point lists, and the
// renderer that draws a document through the drawing facade.
//
// Loading (KitGraphicsSVGEngine.cpp) parses the text with libxml2 (no
// external entities or DTDs are ever loaded, no network, libxml2's limits on
// entity expansion stay on), walks the tree into TKitGraphicsSVGElement
// objects, reads class rules of style elements and resolves the references
// between elements. Attribute values are read in KitGraphicsSVGEngineValues,
// path data and point lists in KitGraphicsSVGEnginePath, and drawing lives in
// KitGraphicsSVGEngineRender.
//
// Transform lists compose in SVG order: in "translate(10,0) scale(2)" the
// scale acts on the coordinates first, so (1, 0) lands on (12, 0); a rotate
// with one argument turns about the origin. Each element's own transform is
// applied once, when it is drawn.
//
// Properties are cascaded as CSS gives them: presentation attributes, then
// the element's class rule, then its style attribute; a property not given
// is inherited from the parent ("inherit" says so explicitly). Colours are
// read in every CSS form (names, #RGB, #RGBA, #RRGGBB, #RRGGBBAA, rgb(),
// rgba(), hsl(), hsla(), currentColor); fill-opacity, stroke-opacity and
// opacity multiply into the paint (a group's opacity into each of its
// shapes); fill-rule and clip-rule are nonzero unless evenodd is asked for.
// Lengths take the CSS units at 96 pixels to the inch, and "%" of the
// viewport for the geometry of shapes. Gradients are drawn as SVG draws
// them (stops along the vector, padded beyond its ends, objectBoundingBox
// or userSpaceOnUse, gradientTransform, focal point) by the engine itself
// as a picture of the gradient filled through the shape, on both back-ends.
//
// Not covered: CSS selectors other than class selectors, the use and switch
// elements, masks, filters, markers, patterns, spreadMethod other than pad,
// dashes, line caps and joins of SVG (the facade's stroke decides them),
// text on paths (drawn as plain text). A group's opacity is applied to each
// of its shapes, not to the group as one layer (the same wherever the
// shapes do not overlap).

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <memory>
#include <string_view>
#include <vector>

#include "foundation/KitGraphicsTypes.h"
#include "foundation/KitTypes.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Graphics.h"

class TKitGraphics;
class TKitGraphicsSVGImport;
struct _xmlNode;
struct _xmlDoc;

// Malformed XML: the parser's message with its line.
TF_DECLARE_EXCEPTION(EDOMParseError, Exception)
// Path data that ends inside the arguments of a command. Derived from the
// string list's error, which the token list of the path data would raise.
TF_DECLARE_EXCEPTION(EKitGraphicsSVGPathError, EStringListError)

enum TKitGraphicsSVGElementType {
  etContainer,
  etSwitch,
  etDefs,
  etUse,
  etRect,
  etLine,
  etPolyline,
  etPolygon,
  etCircle,
  etEllipse,
  etPath,
  etImage,
  etText,
  etTextSpan,
  etTextSpanChild,
  etTextPath,
  etClipPath,
  etLinearGradient,
  etRadialGradient,
  etStyle,
  etStop,
  etPattern,
  etUnknown
};
TF_ENUM_NAMES(TKitGraphicsSVGElementType, etContainer, etSwitch, etDefs, etUse, etRect, etLine, etPolyline,
              etPolygon, etCircle, etEllipse, etPath, etImage, etText, etTextSpan, etTextSpanChild, etTextPath,
              etClipPath, etLinearGradient, etRadialGradient, etStyle, etStop, etPattern, etUnknown)

enum TKitGraphicsSVGElementPreserveAspectRatio { parNone, parOther };

// A length of a gradient as written: a number in user units (absolute
// units converted) or a fraction given as a percentage.
struct TKitGraphicsSVGLength {
  float Value = 0;
  bool Percent = false;
  bool Present = false;
};

// The geometry attributes of gradients, in the order of
// TKitGraphicsSVGElement::GradientLength.
enum TKitGraphicsSVGGradientAttribute { gaX1, gaY1, gaX2, gaY2, gaCX, gaCY, gaR, gaFX, gaFY, gaCount };
TF_ENUM_NAMES(TKitGraphicsSVGElementPreserveAspectRatio, parNone, parOther)

class TKitGraphicsSVGElement;

// Owning list of elements, in document order.
using TKitGraphicsSVGElementList = std::vector<std::unique_ptr<TKitGraphicsSVGElement>>;
// Register of elements owned elsewhere.
using TKitGraphicsSVGElementClassList = std::vector<TKitGraphicsSVGElement*>;
// Owning list of sub-paths, one per moveto.
using TKitGraphicsSVGElementPathList = std::vector<std::unique_ptr<TKitGraphicsPath>>;

// One element of the tree. Value texts hold the attribute as written;
// "default" means "not given here: inherited from the parent".
class TKitGraphicsSVGElement : public TObject {
 public:
  TF_DECLARE_PUBLISHED(TKitGraphicsSVGElement)
  TF_KIT_JSON_OPERATIONS
  TKitGraphicsSVGElement() = default;
  ~TKitGraphicsSVGElement() override;

  // Predicates on the value texts: colours are present unless "none",
  // "transparent" or "default"; the others unless "default".
  bool HasFillColor() const;
  bool HasStrokeColor() const;
  bool HasStopColor() const;
  bool HasStrokeWidth() const { return FStrokeWidthValue != DefaultValue(); }
  bool HasOpacity() const { return FOpacityValue != DefaultValue(); }
  bool HasOffset() const { return FOffsetValue != DefaultValue(); }
  bool HasStopOpacity() const { return FStopOpacityValue != DefaultValue(); }
  bool HasPreserveAspectRatio() const { return FPreserveAspectRatioValue != DefaultValue(); }
  bool HasFontSize() const { return FFontSizeValue != DefaultValue(); }
  bool HasElements() const { return FElements != nullptr; }
  bool HasPaths() const { return FPaths != nullptr; }
  bool HasBitmap() const { return FBitmap != nullptr; }
  bool HasActivePath() const { return FPaths != nullptr && !FPaths->empty(); }

  static const QString& DefaultValue();

  // Children and sub-paths, made on first access.
  TKitGraphicsSVGElementList& Elements();
  TKitGraphicsSVGElementPathList& Paths();
  // The last sub-path; null without sub-paths.
  TKitGraphicsPath* ActivePath() const;
  // A new sub-path appended to Paths.
  TKitGraphicsPath* AddPath();
  // Every sub-path appended into one, built on first access (and again
  // after AddPath).
  TKitGraphicsPath* CombinedPath();
  // The picture of an image element, made on first access.
  TKitBitmap* Bitmap();

  TKitGraphicsSVGElementType Type() const { return FType; }
  void SetType(TKitGraphicsSVGElementType Value) { FType = Value; }
  const QString& ID() const { return FID; }
  void SetID(const QString& Value) { FID = Value; }
  const QString& ClassRefID() const { return FClassRefID; }
  void SetClassRefID(const QString& Value) { FClassRefID = Value; }
  const QString& URLRefID() const { return FURLRefID; }
  void SetURLRefID(const QString& Value) { FURLRefID = Value; }
  const QString& HRefID() const { return FHRefID; }
  void SetHRefID(const QString& Value) { FHRefID = Value; }
  const QString& ClipPathRefID() const { return FClipPathRefID; }
  void SetClipPathRefID(const QString& Value) { FClipPathRefID = Value; }
  float X() const { return FXV; }
  void SetX(float Value) { FXV = Value; }
  float Y() const { return FYV; }
  void SetY(float Value) { FYV = Value; }
  float Width() const { return FWidth; }
  void SetWidth(float Value) { FWidth = Value; }
  float Height() const { return FHeight; }
  void SetHeight(float Value) { FHeight = Value; }
  float Rx() const { return FRx; }
  void SetRx(float Value) { FRx = Value; }
  float Ry() const { return FRy; }
  void SetRy(float Value) { FRy = Value; }
  float CX() const { return FCX; }
  float CY() const { return FCY; }
  bool HasCX() const { return FHasCX; }
  bool HasCY() const { return FHasCY; }
  const TKitGraphicsMatrix& Matrix() const { return FMatrix; }
  void SetMatrix(const TKitGraphicsMatrix& Value) { FMatrix = Value; }
  const TKitGraphicsMatrix& GradientMatrix() const { return FGradientMatrix; }
  TColor FillColor() const { return FFillColor; }
  TColor StrokeColor() const { return FStrokeColor; }
  const QString& FillColorValue() const { return FFillColorValue; }
  const QString& StrokeColorValue() const { return FStrokeColorValue; }
  float StrokeWidth() const { return FStrokeWidth; }
  const QString& StrokeWidthValue() const { return FStrokeWidthValue; }
  float Opacity() const { return FOpacity; }
  const QString& OpacityValue() const { return FOpacityValue; }
  float Offset() const { return FOffset; }
  const QString& OffsetValue() const { return FOffsetValue; }
  TColor StopColor() const { return FStopColor; }
  const QString& StopColorValue() const { return FStopColorValue; }
  float StopOpacity() const { return FStopOpacity; }
  const QString& StopOpacityValue() const { return FStopOpacityValue; }
  const QString& FontFamily() const { return FFontFamily; }
  const QString& FontSizeValue() const { return FFontSizeValue; }
  float FontSize() const { return FFontSize; }
  TFontStyles FontStyle() const { return FFontStyle; }
  const QString& Text() const { return FText; }
  void SetText(const QString& Value) { FText = Value; }
  const QString& DisplayValue() const { return FDisplayValue; }
  const QString& PreserveAspectRatioValue() const { return FPreserveAspectRatioValue; }
  TKitGraphicsSVGElementPreserveAspectRatio PreserveAspectRatio() const { return FPreserveAspectRatio; }
  TKitGraphicsSVGElement* Parent() const { return FParent; }
  TKitGraphicsSVGElement* ClassRef() const { return FClassRef; }
  TKitGraphicsSVGElement* ClipPathRef() const { return FClipPathRef; }
  TKitGraphicsSVGElement* PatternRef() const { return FPatternRef; }
  TKitGraphicsSVGElement* HRefRef() const { return FHRefRef; }

  // Properties read beyond the base model ------------------------------------

  // The color property (what currentColor names).
  const QString& ColorValue() const { return FColorValue; }
  TColor Color() const { return FColor; }
  // Opacities as read (0..1); "default" texts inherit.
  const QString& FillOpacityValue() const { return FFillOpacityValue; }
  float FillOpacity() const { return FFillOpacity; }
  const QString& StrokeOpacityValue() const { return FStrokeOpacityValue; }
  float StrokeOpacity() const { return FStrokeOpacity; }
  // The alpha a colour itself carries (#RGBA, rgba(), hsla()), 0..1.
  float FillColorAlpha() const { return FFillColorAlpha; }
  float StrokeColorAlpha() const { return FStrokeColorAlpha; }
  float StopColorAlpha() const { return FStopColorAlpha; }
  // "nonzero", "evenodd" or "default".
  const QString& FillRuleValue() const { return FFillRuleValue; }
  const QString& ClipRuleValue() const { return FClipRuleValue; }
  // The paint server the stroke names (the fill's is URLRefID/PatternRef).
  const QString& StrokeURLRefID() const { return FStrokeURLRefID; }
  TKitGraphicsSVGElement* StrokePatternRef() const { return FStrokePatternRef; }
  // Gradients: units ("objectBoundingBox", "userSpaceOnUse" or empty when
  // not given) and the geometry as written.
  const QString& GradientUnitsValue() const { return FGradientUnitsValue; }
  const TKitGraphicsSVGLength& GradientLength(TKitGraphicsSVGGradientAttribute A) const { return FGradientLengths[A]; }
  bool HasGradientMatrix() const { return FHasGradientMatrix; }

 private:
  friend class TKitGraphicsSVGImport;

  std::unique_ptr<TKitBitmap> FBitmap;
  std::unique_ptr<TKitGraphicsPath> FCombinedPath;
  std::unique_ptr<TKitGraphicsSVGElementPathList> FPaths;
  std::unique_ptr<TKitGraphicsSVGElementList> FElements;
  TKitGraphicsSVGElementType FType = etContainer;
  float FWidth = 0;
  float FXV = 0, FYV = 0;
  float FHeight = 0;
  float FRx = 0, FRy = 0;
  TKitGraphicsMatrix FMatrix;
  TColor FFillColor = 0, FStrokeColor = 0;
  QString FFillColorValue = DefaultValue(), FStrokeColorValue = DefaultValue();
  TKitGraphicsSVGElement* FParent = nullptr;
  float FStrokeWidth = 1;
  QString FStrokeWidthValue = DefaultValue(), FOpacityValue = DefaultValue(), FOffsetValue = DefaultValue();
  float FOffset = 0;
  QString FStopColorValue = DefaultValue();
  TColor FStopColor = 0;
  QString FStopOpacityValue = DefaultValue();
  float FStopOpacity = 1, FOpacity = 1;
  QString FID, FClassRefID;
  TKitGraphicsSVGElement* FClassRef = nullptr;
  QString FHRefID, FURLRefID;
  TKitGraphicsSVGElement* FHRefRef = nullptr;
  TKitGraphicsSVGElement* FPatternRef = nullptr;
  QString FClipPathRefID;
  TKitGraphicsSVGElement* FClipPathRef = nullptr;
  QString FFontFamily, FFontSizeValue = DefaultValue();
  float FFontSize = 0;
  TFontStyles FFontStyle;
  QString FText;
  QString FDisplayValue;
  QString FPreserveAspectRatioValue = DefaultValue();
  TKitGraphicsSVGElementPreserveAspectRatio FPreserveAspectRatio = parOther;
  float FFR = 0, FCX = 0, FCY = 0, FFX = 0, FFY = 0;
  bool FHasCX = false, FHasCY = false;
  TKitGraphicsMatrix FGradientMatrix;
  bool FCombinedDirty = true;
  bool FInClassList = false;

  QString FColorValue = DefaultValue();
  TColor FColor = 0;
  QString FFillOpacityValue = DefaultValue(), FStrokeOpacityValue = DefaultValue();
  float FFillOpacity = 1, FStrokeOpacity = 1;
  float FFillColorAlpha = 1, FStrokeColorAlpha = 1, FStopColorAlpha = 1;
  QString FFillRuleValue = DefaultValue(), FClipRuleValue = DefaultValue();
  QString FStrokeURLRefID;
  TKitGraphicsSVGElement* FStrokePatternRef = nullptr;
  QString FGradientUnitsValue;
  TKitGraphicsSVGLength FGradientLengths[gaCount];
  bool FHasGradientMatrix = false;
  // The element's class rule was merged into its own properties.
  bool FClassApplied = false;
  // The style attribute (of a rule: its declarations), applied again after
  // the class rule so that it wins over it.
  QString FStyleText;
};

// ---------------------------------------------------------------------------
// Path data tokens

// One token of path data: a command letter (Command != 0) or a number.
struct TKitGraphicsSVGPathToken {
  char16_t Command = 0;
  // The number, 0 when the text does not read as a finite number.
  double Value = 0;
};
using TKitGraphicsSVGPathTokens = std::vector<TKitGraphicsSVGPathToken>;

// ---------------------------------------------------------------------------
// The document

class TKitGraphicsSVGImport : public TKitSVGImport {
 public:
  TF_DECLARE_PUBLISHED(TKitGraphicsSVGImport)
  TF_KIT_JSON_OPERATIONS
  TKitGraphicsSVGImport();
  ~TKitGraphicsSVGImport() override;

  bool HasElements() override { return ElementCount() > 0; }
  int ElementCount() override { return int(FElementList.size()); }
  // The document drawn into a new picture of AWidth x AHeight pixels (the
  // view rectangle's size when either is -1 or less). Null without
  // elements; an empty picture when the size is not drawable (no view
  // rectangle, non-finite, or more than MaxBitmapSide pixels on a side or
  // MaxBitmapPixels in all).
  std::unique_ptr<TKitBitmap> GenerateBitmap(float AWidth, float AHeight) override;
  void Clear() override;
  // Into ARect of a canvas through a new facade: GDI+ when ANative.
  void Draw(TCanvas* ACanvas, const TRectF& ARect, bool ANative) override;
  // Through an existing facade; with ARecreateGraphics through a new facade
  // on its canvas, its matrix applied after the document's.
  void Draw(TKitGraphics* AGraphics, const TRectF& ARect, bool ANative, bool ARecreateGraphics);
  // Malformed XML raises EDOMParseError; path data that ends inside a
  // command raises EKitGraphicsSVGPathError. A root other than "svg"
  // leaves the document empty.
  void LoadFromText(const QString& AText) override;
  void LoadFromFile(const QString& AFile) override;
  // The stream's bytes from its start, read as UTF-8.
  void LoadFromStream(TStream* AStream) override;
  // The loaded XML document as libxml2 writes it; nothing without one.
  void SaveToStream(TStream* AStream) override;
  void SaveToFile(const QString& AFile) override;

  const TKitGraphicsSVGElementList& ElementList() const { return FElementList; }
  const TKitGraphicsSVGElementList& DefsList() const { return FDefsList; }
  const TKitGraphicsSVGElementClassList& ElementClassList() const { return FElementClassList; }
  const TKitGraphicsSVGElementClassList& ElementPatternList() const { return FElementPatternList; }
  const TKitGraphicsSVGElementClassList& ElementClipPathList() const { return FElementClipPathList; }
  const TKitGraphicsMatrix& DocumentMatrix() const { return FMatrix; }

  // Attribute values ------------------------------------------------------

  // Applies "name: value; ..." declarations to AElement.
  void ParseStyle(TKitGraphicsSVGElement* AElement, QStringView AText);
  // "rgb(r, g, b)", "rgba(r, g, b, a)" (any case, commas or blanks, an
  // alpha after "/" too), "hsl(h, s, l)" or "hsla(h, s, l, a)": the colour
  // or -1; AAlpha 0..255 (255 without alpha, -1 when the colour is -1 or
  // the alpha does not read). Alpha is a number 0..1 or a percentage.
  static TColor ParseRGBColor(const QString& AText, int& AAlpha);
  // Any CSS colour but currentColor: a name, "#" with 3, 4, 6 or 8 digits,
  // or a functional form; -1 when it is none of these. AAlpha 0..1.
  static TColor ParseColor(QStringView AText, float& AAlpha);
  // A length with an optional unit: px, pt, pc, mm, cm and in as CSS gives
  // them (96 px to the inch), em, ex and % as the plain number.
  static float ParseLength(QStringView AText);
  // A length as a gradient reads it: percentages kept as fractions.
  static TKitGraphicsSVGLength ParseGradientLength(QStringView AText);
  // A length of the document's geometry: "%" of the viewport's width
  // (AAxis 0), height (1) or normalised diagonal (2).
  float ParseGeometryLength(QStringView AText, int AAxis) const;
  // The matrix of a transform list; the empty matrix for a null text.
  static TKitGraphicsMatrix ParseTransform(const QString& AText, bool APresent = true);
  // Radians from "deg", "grad", "rad" or unitless degrees.
  static float ParseAngle(QStringView AText);
  // Family name and bold/italic flags from a font-family text.
  static void ParseFontFamily(const QString& AText, QString& AName, TFontStyles& AStyles);
  // A finite number from the whole text (an optional leading "+"), else
  // false and AValue untouched.
  static bool TryReadNumber(QStringView AText, double& AValue);
  static bool TryReadNumber(std::string_view AText, double& AValue);

  // Path data and point lists ------------------------------------------------

  // Path data ("," read as blanks) as tokens with the repeat rules applied;
  // ATexts, when given, receives the text of every token.
  static TKitGraphicsSVGPathTokens SplitPathData(QStringView AText, QStringList* ATexts = nullptr);
  // The path data's sub-paths added to AElement (one per moveto).
  void ParsePathData(TKitGraphicsSVGElement* AElement, QStringView AText);
  // A point list as one sub-path of AElement (closed for a polygon); an odd
  // count of numbers makes none.
  void ParsePoints(TKitGraphicsSVGElement* AElement, QStringView AText, bool AClose);
  // The elliptical arc from (X1, Y1) to (X2, Y2) as cubic segments.
  static void ArcToBeziers(TKitGraphicsPath* APath, double X1, double X2, double Y1, double Y2, double RX, double RY,
                           double Angle, int LargeArc, int Sweep);
  // The angle from u to v in 0 .. 2 pi.
  static double VectorAngle(double UX, double UY, double VX, double VY);

  // Rendering helpers -----------------------------------------------------------

  // The element's transform, then its ancestors' while they are containers
  // or text elements (empty transforms skipped).
  static TKitGraphicsMatrix CombinedElementMatrix(const TKitGraphicsSVGElement* AElement);
  // Grey of Round(0.3 r + 0.6 g + 0.1 b).
  static TColor GrayScaleColor(TColor AColor);
  // Per channel a * b / 255.
  static TColor MultiplyColors(TColor AColor1, TColor AColor2);
  // ArcTan2 in degrees, 0 .. 360.
  static float GradientAngleFromPoints(const TPointF& AFrom, const TPointF& ATo);

  // The viewport lengths in percentages refer to: the root's viewBox, else
  // its width and height, else 100 x 100.
  TSizeF Viewport() const { return FViewport; }
  // How the root's viewBox is fitted into the target (preserveAspectRatio
  // of the root, "xMidYMid meet" when absent).
  const QString& RootAspectRatio() const { return FRootAspectRatio; }

  // Pictures loaded by the image elements of one document, nested documents
  // included, are at most this many; further image elements stay empty.
  static constexpr int MaxImageLoads = 128;

  // Bitmaps are never larger than this on a side, or in pixels.
  static constexpr int MaxBitmapSide = 16384;
  static constexpr qint64 MaxBitmapPixels = qint64(64) * 1024 * 1024;

 private:
  void ParseElements(TKitGraphicsSVGElementList& AList, _xmlNode* ANode, TKitGraphicsSVGElement* AParent,
                     bool AExtend);
  void ParseClassRules(const QString& AText);
  void ReadImage(TKitGraphicsSVGElement* AElement, const QString& AReference);
  void ExtendViewRect(const TKitGraphicsSVGElement* AElement, const TRectF& ARect);
  void ExtendViewRectByPath(const TKitGraphicsSVGElement* AElement, const TKitGraphicsPath& APath);
  void ResolveClassReferences(const TKitGraphicsSVGElementClassList& AItems);
  void ResolveClassReference(TKitGraphicsSVGElement* AElement, int ADepth);
  void ResolvePatternReferences(TKitGraphicsSVGElementList& AElements);
  void ResolveHRefs();
  TKitGraphicsSVGElement* FindByID(const QString& AID) const;
  void ApplyColor(TKitGraphicsSVGElement* AElement, QString& AValueText, TColor& AColor, float& AAlpha,
                  QString* AURLRefID);
  void ApplyClassRule(TKitGraphicsSVGElement* AElement, TKitGraphicsSVGElement* ARule);

  // Rendering
  void DrawDocument(TKitGraphics* AGraphics, const TRectF& ARect, bool AFloorOffset, bool ANewScene,
                    const TKitGraphicsMatrix* AOuter);
  void RenderElements(const TKitGraphicsSVGElementList& AList, TKitGraphics* AGraphics, float SX, float SY);
  // The fill or stroke of an element as drawn: none, a solid colour or a
  // gradient, with the opacity that applies to it.
  struct TPaint {
    enum { None, Solid, Gradient } Kind = None;
    TColor Color = 0;
    float Opacity = 1;
    TKitGraphicsSVGElement* Server = nullptr;
  };
  TPaint ResolvePaint(TKitGraphicsSVGElement* AElement, TKitGraphicsSVGElement* AStyle, bool AStroke) const;
  float ResolveOpacity(TKitGraphicsSVGElement* AElement, TKitGraphicsSVGElement* AStyle) const;
  float ResolveStrokeWidth(TKitGraphicsSVGElement* AStyle, const TKitGraphicsMatrix& AMatrix) const;
  void DrawShape(TKitGraphicsSVGElement* AElement, TKitGraphicsSVGElement* AStyle, TKitGraphics* AGraphics,
                 const TKitGraphicsMatrix& AMatrix);
  // A paint the back-end cannot give itself (a gradient on either, a
  // translucent colour on GDI) drawn as a picture of it through the shape.
  void DrawPaintPicture(TKitGraphics* AGraphics, TKitGraphicsPath& ADevicePath, const TPaint& APaint, bool AStroke,
                        float AWidth, TKitGraphicsSVGElement* AElement, const TKitGraphicsMatrix& AMatrix);
  void DrawImageElement(TKitGraphicsSVGElement* AElement, TKitGraphics* AGraphics, const TKitGraphicsMatrix& AMatrix);
  TColor PaintColor(TColor AColor, TColor ACustomColor) const;

  std::unique_ptr<_xmlDoc, void (*)(_xmlDoc*)> FXML;
  TKitGraphicsSVGElementClassList FElementClassList;
  TKitGraphicsSVGElementClassList FElementPatternList;
  TKitGraphicsSVGElementClassList FElementClipPathList;
  TKitGraphicsSVGElementList FElementList;
  TKitGraphicsSVGElementList FDefsList;
  TKitGraphicsMatrix FMatrix;
  TKitGraphicsMatrix FTextMatrix;
  // Elements by id (first occurrence), for resolving references.
  QHash<QString, TKitGraphicsSVGElement*> FIDIndex;
  TSizeF FViewport{100, 100};
  // The target of the draw in device pixels; paint pictures are cut to it.
  TRectF FDeviceBounds;
  QString FRootAspectRatio;
  bool FHasRootViewBox = false;
  // The inheritable properties the root element gives (fill, stroke,
  // color, opacities, rules), parent of no element.
  std::unique_ptr<TKitGraphicsSVGElement> FRootStyle;
  // The folder of the file being loaded (image references are relative to
  // it); empty for text and streams.
  QString FBaseFolder;
};

// The geometry of a shape element as a path (rect, line, circle, ellipse);
// the combined path for other kinds. Empty when there is none.
TKitGraphicsPath KitSVGShapePath(TKitGraphicsSVGElement* AElement);

// Installs TKitGraphicsSVGImport as the import of every TKitSVGBitmap
// (done at start-up; calling it again changes nothing).
void RegisterKitGraphicsSVGEngine();
