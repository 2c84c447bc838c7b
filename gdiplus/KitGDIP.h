#pragma once
// The static GDI+ binding: wrapper classes over the flat API, GDI+ start-up
// for this binding, text helpers taking a framework font, colour and
// geometry helpers and the fill painter PaintGradientFill. The picture class
// TKitGDIPPicture and the image-header sniffers of the unit live in
// KitGDIPPicture.h.
//
// Rules every wrapper follows
// ---------------------------
// - The binding calls the flat functions through the GDI+ runtime's lookup
//   (resolved once); it never touches the run-time binding's entry table.
//   Its classes carry the same names as the run-time binding's classes and
//   live in namespace KitGDIP, so the two sets are distinct types.
// - A wrapper owns one native handle, made (or adopted) by its constructor
//   and released by its destructor. Wrapper objects are ordinary heap
//   objects.
// - Status recording: a constructor stores the status of its creating call
//   (Ok included); a constructor adopting a handle stores the status it is
//   given. Every other call stores its status only when it is not Ok and
//   returns it, so a later success leaves an earlier failure in place.
//   GetLastStatus (TGPMatrix, TGPImageAttributes, TGPGraphics) answers the
//   stored status and resets it to Ok.
// - A null wrapper handed in stands for a null native handle; GDI+ then
//   answers InvalidParameter, which is recorded like any other failure.
// - Getters answer their value and record the status; after a failed call
//   the value is a defined one (0, -1 for modes, an empty text or null).
// - Where a caller passes a count with an array, the count is checked
//   against what the object holds before GDI+ is called.
// - No wrapper raises for a GDI+ failure.
//
// Start-up. Initialization (run once, before main, and again by programs
// that name it) starts GDI+ through the runtime's shared, counted start-up;
// its status is not examined but logged when it fails, and the first
// wrapper made while GDI+ is not running starts it once more. Finalization
// gives this binding's start-up back; the library itself keeps running to
// the end of the process (the runtime never shuts it down). The
// notification hook of the start-up output is only used on systems that
// report a major version of 5 or lower (IsVistaOrLater false), which this
// platform never does.
//
// Not covered: IStream arguments are the framework's streams (TStream);
// GetHBITMAP answers a bitmap of the window layer holding a copy of the
// pixels; GetHDC of a graphics made on an image hands out a device context
// over a copy of the pixels that ReleaseHDC writes back.

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "foundation/KitTypes.h"
#include "platform/gdiplusapi/GdiPlusRuntime.h"
#include "platform/vcl/Graphics.h"

class TFont;
class TStream;

namespace KitGDIP {

// ---------------------------------------------------------------------------
// Types of the flat API, under the names the binding uses

using TStatus = ::Status;
using Unit_ = ::Unit;
using ::ColorAdjustType;
using ::ColorChannelFlags;
using ::ColorMatrixFlags;
using ::CombineMode;
using ::DashStyle;
using ::FillMode;
using ::FlushIntention;
using ::HatchStyle;
using ::HotkeyPrefix;
using ::LinearGradientMode;
using ::MatrixOrder;
using ::RotateFlipType;
using ::StringAlignment;
using ::StringTrimming;
using ::TextRenderingHint;
using ::WrapMode;

using TGPPointF = ::GpPointF;
using TGPPoint = ::GpPoint;
using TGPSizeF = ::GpSizeF;
using TGPRectF = ::GpRectF;
using TGPRect = ::GpRect;
using PGPPointF = TGPPointF*;
using PGPPoint = TGPPoint*;
using PGPRectF = TGPRectF*;
using PGPRect = TGPRect*;
using ::ARGB;
using ::ColorMap;
using ::ColorMatrix;
using ::ColorPalette;
using ::EncoderParameters;
// The six elements of a matrix (m11, m12, m21, m22, dx, dy).
using TMatrixArray = std::array<REAL, 6>;

// Smoothing, compositing quality and pen fill types travel as integers.
inline constexpr int SmoothingModeInvalid = -1;
inline constexpr int SmoothingModeDefault = 0;
inline constexpr int SmoothingModeHighSpeed = 1;
inline constexpr int SmoothingModeHighQuality = 2;
inline constexpr int SmoothingModeNone = 3;
inline constexpr int SmoothingModeAntiAlias = 4;
inline constexpr int CompositingQualityInvalid = -1;
inline constexpr int CompositingQualityDefault = 0;
inline constexpr int CompositingQualityHighSpeed = 1;
inline constexpr int CompositingQualityHighQuality = 2;
inline constexpr int PenTypeSolidColor = 0;
inline constexpr int PenTypeHatchFill = 1;
inline constexpr int PenTypeTextureFill = 2;
inline constexpr int PenTypePathGradient = 3;
inline constexpr int PenTypeLinearGradient = 4;
inline constexpr int PenTypeUnknown = -1;
inline constexpr int LineCapFlat = 0;
inline constexpr int LineCapSquare = 1;
inline constexpr int LineCapRound = 2;
inline constexpr int LineCapTriangle = 3;
// Font styles (sums of these bits).
inline constexpr int FontStyleRegular = 0;
inline constexpr int FontStyleBold = 1;
inline constexpr int FontStyleItalic = 2;
inline constexpr int FontStyleBoldItalic = 3;
inline constexpr int FontStyleUnderline = 4;
inline constexpr int FontStyleStrikeout = 8;
// DrawText's one honoured format bit.
inline constexpr UINT DT_CALCRECT_FLAG = 0x400;
// The length of a GDI+ face name, terminator included.
inline constexpr int LF_FACESIZE_GDIP = 32;

// The image formats GetFormat tells apart.
enum TGPImageFormat { ifUndefined, ifMemoryBMP, ifBMP, ifEMF, ifWMF, ifJPEG, ifPNG, ifGIF, ifTIFF, ifEXIF, ifIcon };
TF_ENUM_NAMES(TGPImageFormat, ifUndefined, ifMemoryBMP, ifBMP, ifEMF, ifWMF, ifJPEG, ifPNG, ifGIF, ifTIFF, ifEXIF,
              ifIcon)

// The kinds of fill body (see PaintGradientFill for which it paints).
enum TKitGradientType : int32_t {
  gtSolid, gtRadial, gtVertical, gtHorizontal, gtForwardDiagonal, gtBackwardDiagonal, gtAngle, gtHatch, gtPath,
  gtTexture, gtNone
};
TF_ENUM_NAMES(TKitGradientType, gtSolid, gtRadial, gtVertical, gtHorizontal, gtForwardDiagonal, gtBackwardDiagonal,
              gtAngle, gtHatch, gtPath, gtTexture, gtNone)

// ---------------------------------------------------------------------------
// Colour and geometry helpers

// The colour with system colours resolved, as opaque ARGB.
ARGB ColorToArgb(TColor Color);
// The same with the given alpha byte.
ARGB ColorToArgbWithAlpha(Byte Alpha, TColor Color);
ARGB MakeArgb(Byte a, Byte r, Byte g, Byte b);
ARGB MakeOpaqueArgb(Byte r, Byte g, Byte b);
Byte ArgbRed(ARGB argb);
Byte ArgbGreen(ARGB argb);
Byte ArgbBlue(ARGB argb);
Byte ArgbAlpha(ARGB argb);
TGPPoint MakePoint(int X, int Y);
TGPPointF MakePointF(REAL X, REAL Y);
TGPPointF MakePointF(const TPoint& P);
TGPRectF MakeRectF(REAL x, REAL y, REAL width, REAL height);
TGPRect MakeRect(int x, int y, int width, int height);

// Rounding to the nearest integer, halves to the even neighbour.
int RoundEven(double Value);

// ---------------------------------------------------------------------------
// Start-up of this binding

// Start-up input: version 1, no debug-event callback, background thread
// suppressed, external codecs not suppressed.
extern GdiplusStartupInput StartupInput;
// Start-up output (notification hook and unhook), cleared before start-up.
extern GdiplusStartupOutput StartupOutput;
// The token the start-up handed out; 0 while GDI+ is not started here.
extern ULONG_PTR gdiplusToken;
// The token of the notification hook; given back only to the unhook.
extern ULONG_PTR gdiplusHookToken;
// True when this code runs inside a loaded library; Finalization then does
// nothing.
extern bool ModuleIsLibrary;

// The operating-system major version the binding sees (this platform
// answers 10); replaceable for tests.
extern std::function<int()> OSMajorVersion;
// The start-up and shutdown functions used (the flat API's by default);
// replaceable for tests.
extern std::function<TStatus(ULONG_PTR*, const GdiplusStartupInput*, GdiplusStartupOutput*)> StartupFunction;
extern std::function<void(ULONG_PTR)> ShutdownFunction;

// Major version 6 or later.
bool IsVistaOrLater();
// The unit's initialisation and finalisation (see the top of this file).
// Initialization runs once until Finalization; both are safe to repeat.
void Initialization();
void Finalization();
// True between Initialization and Finalization.
bool Initialized();

// ---------------------------------------------------------------------------
// Wrapper classes

class TGPRegion;
class TGPImageAttributes;
class TGPFontFamily;
class TGPFontCollection;
class TGPFont;
class TGPBrush;
class TGPSolidBrush;
class TGPTextureBrush;
class TGPLinearGradientBrush;
class TGPHatchBrush;
class TGPPathGradientBrush;
class TGPPen;
class TGPStringFormat;
class TGPGraphicsPath;
class TGPImage;
class TGPBitmap;
class TGPMatrix;
class TGPGraphics;
class TKitGDIPPicture;

// Access to the wrappers' native handles for the binding's own code.
struct TNative;

#define KITGDIP_FRIENDS friend struct ::KitGDIP::TNative;

// The root of the wrapper classes: no fields; the JSON operations of the
// library. Making a wrapper starts GDI+ once more when it is not running.
class TGdiplusBase : public TObject {
 public:
  TF_DECLARE_PUBLISHED(TGdiplusBase)
  TF_KIT_JSON_OPERATIONS
  TGdiplusBase();
  TGdiplusBase(const TGdiplusBase&) = delete;
  TGdiplusBase& operator=(const TGdiplusBase&) = delete;
  ~TGdiplusBase() override = default;
};

class TGPRegion : public TGdiplusBase {
 public:
  TF_DECLARE_PUBLISHED(TGPRegion)
  explicit TGPRegion(const TGPRectF& rect);
  explicit TGPRegion(TGPGraphicsPath* path);
  ~TGPRegion() override;

  // Combines with the path (CombineModeExclude) or region (CombineModeUnion).
  TStatus Exclude(TGPGraphicsPath* path);
  TStatus Union(TGPRegion* region);
  TStatus GetLastStatus();

 protected:
  KITGDIP_FRIENDS
  TStatus SetStatus(TStatus status);
  GpRegion* nativeRegion = nullptr;
  TStatus lastResult = Ok;
};

class TGPImageAttributes : public TGdiplusBase {
 public:
  TF_DECLARE_PUBLISHED(TGPImageAttributes)
  TGPImageAttributes();
  ~TGPImageAttributes() override;

  // A new copy, or null when the copy fails (the failure is recorded here).
  TGPImageAttributes* Clone();
  TStatus SetToIdentity(ColorAdjustType type = ColorAdjustTypeDefault);
  TStatus Reset(ColorAdjustType type = ColorAdjustTypeDefault);
  TStatus SetColorMatrix(const ColorMatrix& colorMatrix, ColorMatrixFlags mode = ColorMatrixFlagsDefault,
                         ColorAdjustType type = ColorAdjustTypeDefault);
  TStatus ClearColorMatrix(ColorAdjustType type = ColorAdjustTypeDefault);
  TStatus SetColorMatrices(const ColorMatrix& colorMatrix, const ColorMatrix& grayMatrix,
                           ColorMatrixFlags mode = ColorMatrixFlagsDefault,
                           ColorAdjustType type = ColorAdjustTypeDefault);
  TStatus ClearColorMatrices(ColorAdjustType type = ColorAdjustTypeDefault);
  TStatus SetThreshold(REAL threshold, ColorAdjustType type = ColorAdjustTypeDefault);
  TStatus ClearThreshold(ColorAdjustType type = ColorAdjustTypeDefault);
  TStatus SetGamma(REAL gamma, ColorAdjustType type = ColorAdjustTypeDefault);
  TStatus ClearGamma(ColorAdjustType type = ColorAdjustTypeDefault);
  TStatus SetNoOp(ColorAdjustType type = ColorAdjustTypeDefault);
  TStatus ClearNoOp(ColorAdjustType type = ColorAdjustTypeDefault);
  TStatus SetColorKey(ARGB colorLow, ARGB colorHigh, ColorAdjustType type = ColorAdjustTypeDefault);
  TStatus ClearColorKey(ColorAdjustType type = ColorAdjustTypeDefault);
  TStatus SetOutputChannel(ColorChannelFlags channelFlags, ColorAdjustType type = ColorAdjustTypeDefault);
  TStatus ClearOutputChannel(ColorAdjustType type = ColorAdjustTypeDefault);
  TStatus SetOutputChannelColorProfile(const QString& colorProfileFilename,
                                       ColorAdjustType type = ColorAdjustTypeDefault);
  TStatus ClearOutputChannelColorProfile(ColorAdjustType type = ColorAdjustTypeDefault);
  // mapSize entries of map; InvalidParameter without a call for a negative
  // size or a size above 0 without entries.
  TStatus SetRemapTable(UINT mapSize, const ColorMap* map, ColorAdjustType type = ColorAdjustTypeDefault);
  TStatus ClearRemapTable(ColorAdjustType type = ColorAdjustTypeDefault);
  TStatus SetBrushRemapTable(UINT mapSize, const ColorMap* map);
  TStatus ClearBrushRemapTable();
  TStatus SetWrapMode(WrapMode wrap, ARGB color = 0xFF000000, bool clamp = false);
  TStatus GetAdjustedPalette(ColorPalette* colorPalette, ColorAdjustType colorAdjustType);
  TStatus GetLastStatus();

 protected:
  KITGDIP_FRIENDS
  TGPImageAttributes(GpImageAttributes* imageAttr, TStatus status);
  TStatus SetStatus(TStatus status);
  GpImageAttributes* nativeImageAttr = nullptr;
  TStatus lastResult = Ok;
};

class TGPFontCollection : public TGdiplusBase {
 public:
  TF_DECLARE_PUBLISHED(TGPFontCollection)
  // No native collection: the installed fonts.
  TGPFontCollection();
  ~TGPFontCollection() override;

 protected:
  KITGDIP_FRIENDS
  GpFontCollection* nativeFontCollection = nullptr;
  TStatus lastResult = Ok;
};

class TGPFontFamily : public TGdiplusBase {
 public:
  TF_DECLARE_PUBLISHED(TGPFontFamily)
  // An empty family (no native handle).
  TGPFontFamily();
  // By name in the collection (null: the installed fonts). A name for which
  // the font system has nothing but its default family answers
  // FontFamilyNotFound (the library itself would substitute it).
  explicit TGPFontFamily(const QString& name, TGPFontCollection* fontCollection = nullptr);
  TGPFontFamily(GpFontFamily* nativeOrig, TStatus status);
  ~TGPFontFamily() override;

  // The process-wide generic families, made on first use and never freed.
  static TGPFontFamily* GenericSansSerif();
  static TGPFontFamily* GenericSerif();
  static TGPFontFamily* GenericMonospace();

  // The face name, at most 31 characters; "" on failure.
  TStatus GetFamilyName(QString& name, LANGID language = 0);
  bool IsAvailable() const { return nativeFamily != nullptr; }
  TStatus Status() const { return lastResult; }
  TStatus GetLastStatus();

 protected:
  KITGDIP_FRIENDS
  TStatus SetStatus(TStatus status);
  GpFontFamily* nativeFamily = nullptr;
  TStatus lastResult = Ok;
  bool FGeneric = false;  // a process-wide generic family: its handle is never deleted
};

class TGPFont : public TGdiplusBase {
 public:
  TF_DECLARE_PUBLISHED(TGPFont)
  TGPFont(TGPFontFamily* family, REAL emSize, int style = FontStyleRegular, Unit_ unit = UnitPoint);
  // By family name; falls back to the generic sans-serif family when the
  // family or the font cannot be made.
  TGPFont(const QString& familyName, REAL emSize, TFontStyles style = TFontStyles(), Unit_ unit = UnitPoint,
          TGPFontCollection* fontCollection = nullptr);
  TGPFont(GpFont* font, TStatus status);
  ~TGPFont() override;

  // Style bits; FontStyleRegular on failure.
  int GetStyle();
  // Em size; 0 on failure.
  REAL GetSize();
  // Makes family wrap the font's family; InvalidParameter for null.
  TStatus GetFamily(TGPFontFamily* family);
  TStatus Status() const { return lastResult; }
  TStatus GetLastStatus();

 protected:
  KITGDIP_FRIENDS
  TStatus SetStatus(TStatus status);
  GpFont* nativeFont = nullptr;
  TStatus lastResult = Ok;
};

// A brush. The plain brush has no creating call of its own.
class TGPBrush : public TGdiplusBase {
 public:
  TF_DECLARE_PUBLISHED(TGPBrush)
  // Records NotImplemented.
  TGPBrush();
  TGPBrush(GpBrush* nativeBrush, TStatus status);
  ~TGPBrush() override;

  TStatus GetLastStatus();

 protected:
  KITGDIP_FRIENDS
  TStatus SetStatus(TStatus status);
  void SetNativeBrush(GpBrush* brush) { nativeBrush = brush; }
  GpBrush* nativeBrush = nullptr;
  TStatus lastResult = Ok;
};

class TGPSolidBrush : public TGPBrush {
 public:
  TF_DECLARE_PUBLISHED(TGPSolidBrush)
  explicit TGPSolidBrush(ARGB color);
  TGPSolidBrush();  // no native brush
  TStatus GetColor(ARGB& color);
  TStatus SetColor(ARGB color);
};

class TGPHatchBrush : public TGPBrush {
 public:
  TF_DECLARE_PUBLISHED(TGPHatchBrush)
  TGPHatchBrush(HatchStyle hatchStyle, ARGB foreColor, ARGB backColor = 0xFF000000);
  TGPHatchBrush();
  // HatchStyleHorizontal on failure.
  HatchStyle GetHatchStyle();
  // 0 on failure.
  TStatus GetForegroundColor(ARGB& color);
  TStatus GetBackgroundColor(ARGB& color);
};

class TGPTextureBrush : public TGPBrush {
 public:
  TF_DECLARE_PUBLISHED(TGPTextureBrush)
  TGPTextureBrush(TGPImage* image, WrapMode wrapMode = WrapModeTile);
  TGPTextureBrush(TGPImage* image, WrapMode wrapMode, const TGPRectF& dstRect);
  TGPTextureBrush(TGPImage* image, WrapMode wrapMode, const TGPRect& dstRect);
  TGPTextureBrush(TGPImage* image, const TGPRectF& dstRect, TGPImageAttributes* imageAttributes = nullptr);
  TGPTextureBrush(TGPImage* image, const TGPRect& dstRect, TGPImageAttributes* imageAttributes = nullptr);
  TGPTextureBrush(TGPImage* image, WrapMode wrapMode, REAL dstX, REAL dstY, REAL dstWidth, REAL dstHeight);
  TGPTextureBrush(TGPImage* image, WrapMode wrapMode, int dstX, int dstY, int dstWidth, int dstHeight);
  TGPTextureBrush();

  TStatus ResetTransform();
  TStatus TranslateTransform(REAL dx, REAL dy, MatrixOrder order = MatrixOrderPrepend);
  TStatus ScaleTransform(REAL sx, REAL sy, MatrixOrder order = MatrixOrderPrepend);
  TStatus RotateTransform(REAL angle, MatrixOrder order = MatrixOrderPrepend);
  TStatus SetWrapMode(WrapMode wrapMode);
  // WrapModeTile on failure.
  WrapMode GetWrapMode();
  // A new image wrapper carrying the call's status; the caller owns it.
  TGPImage* GetImage();
};

class TGPLinearGradientBrush : public TGPBrush {
 public:
  TF_DECLARE_PUBLISHED(TGPLinearGradientBrush)
  // Every constructor makes a brush with wrap mode tile.
  TGPLinearGradientBrush(const TGPPointF& point1, const TGPPointF& point2, ARGB color1, ARGB color2);
  TGPLinearGradientBrush(const TGPPoint& point1, const TGPPoint& point2, ARGB color1, ARGB color2);
  TGPLinearGradientBrush(const TGPRectF& rect, ARGB color1, ARGB color2, LinearGradientMode mode);
  TGPLinearGradientBrush(const TGPRect& rect, ARGB color1, ARGB color2, LinearGradientMode mode);
  TGPLinearGradientBrush(const TGPRectF& rect, ARGB color1, ARGB color2, REAL angle, bool isAngleScalable = false);
  TGPLinearGradientBrush(const TGPRect& rect, ARGB color1, ARGB color2, REAL angle, bool isAngleScalable = false);
  TGPLinearGradientBrush();

  TStatus SetGammaCorrection(bool useGammaCorrection);
  // InvalidParameter without a call when count is not positive or there
  // are no colours or positions.
  TStatus SetInterpolationColors(const ARGB* presetColors, const REAL* blendPositions, int count);
  TStatus GetRectangle(TGPRectF& rect);
  TStatus GetLinearColors(ARGB& color1, ARGB& color2);
};

class TGPPathGradientBrush : public TGPBrush {
 public:
  TF_DECLARE_PUBLISHED(TGPPathGradientBrush)
  explicit TGPPathGradientBrush(TGPGraphicsPath* path);

  TStatus GetCenterColor(ARGB& color);
  TStatus SetCenterColor(ARGB color);
  // 0 on failure.
  int GetPointCount();
  // InvalidParameter without colours; InsufficientBuffer when the brush has
  // no surround colours or more than count. count receives the number read.
  TStatus GetSurroundColors(ARGB* colors, int& count);
  // InvalidParameter without colours, without points, or with more colours
  // than points. count receives the number set.
  TStatus SetSurroundColors(const ARGB* colors, int& count);
  TStatus GetCenterPoint(TGPPointF& point);
  TStatus GetCenterPoint(TGPPoint& point);
  TStatus SetCenterPoint(const TGPPointF& point);
  TStatus SetCenterPoint(const TGPPoint& point);
  TStatus SetWrapMode(WrapMode wrapMode);
  TStatus SetGammaCorrection(bool useGammaCorrection);
  // InvalidParameter without a call when count is not positive or no
  // colours (or positions) are given.
  TStatus SetInterpolationColors(const ARGB* presetColors, const REAL* blendPositions, int count);
};

class TGPPen : public TGdiplusBase {
 public:
  TF_DECLARE_PUBLISHED(TGPPen)
  // Both in UnitWorld.
  explicit TGPPen(ARGB color, REAL width = 1.0f);
  explicit TGPPen(TGPBrush* brush, REAL width = 1.0f);
  ~TGPPen() override;

  TStatus SetBrush(TGPBrush* brush);
  // A new wrapper by the pen's fill type (solid, hatch, texture, path
  // gradient as a plain brush, linear gradient); null for any other type
  // or a failed call. The caller owns it.
  TGPBrush* GetBrush();
  // DashStyleSolid on failure.
  DashStyle GetDashStyle();
  TStatus SetDashStyle(DashStyle dashStyle);
  TStatus SetEndCap(int endCap);
  // PenTypeUnknown on failure.
  int GetPenType();
  // 0 on failure.
  REAL GetWidth();
  TStatus GetColor(ARGB& color);
  TStatus GetLastStatus();

 protected:
  KITGDIP_FRIENDS
  TStatus SetStatus(TStatus status);
  GpPen* nativePen = nullptr;
  TStatus lastResult = Ok;
};

class TGPStringFormat : public TGdiplusBase {
 public:
  TF_DECLARE_PUBLISHED(TGPStringFormat)
  explicit TGPStringFormat(int formatFlags = 0, LANGID language = 0);
  // A copy of format (a null format gives a null handle and its status).
  explicit TGPStringFormat(TGPStringFormat* format);
  TGPStringFormat(GpStringFormat* clonedStringFormat, TStatus status);
  ~TGPStringFormat() override;

  TStatus SetAlignment(StringAlignment align);
  // StringAlignmentNear on failure.
  StringAlignment GetAlignment();
  TStatus SetLineAlignment(StringAlignment align);
  StringAlignment GetLineAlignment();
  TStatus SetTrimming(StringTrimming trimming);
  // StringTrimmingNone on failure.
  StringTrimming GetTrimming();
  TStatus SetFormatFlags(int flags);
  // 0 on failure.
  int GetFormatFlags();
  TStatus SetHotkeyPrefix(HotkeyPrefix hotkeyPrefix);
  // HotkeyPrefixNone on failure.
  HotkeyPrefix GetHotkeyPrefix();
  TStatus GetLastStatus();

 protected:
  KITGDIP_FRIENDS
  TStatus SetStatus(TStatus status);
  GpStringFormat* nativeFormat = nullptr;
  TStatus lastError = Ok;
};

class TGPGraphicsPath : public TGdiplusBase {
 public:
  TF_DECLARE_PUBLISHED(TGPGraphicsPath)
  explicit TGPGraphicsPath(FillMode fillMode = FillModeAlternate);
  // count points with their types; InvalidParameter (no path) when count
  // is negative or the arrays are missing.
  TGPGraphicsPath(const TGPPointF* points, const BYTE* types, int count, FillMode fillMode = FillModeAlternate);
  explicit TGPGraphicsPath(GpPath* nativePath);
  ~TGPGraphicsPath() override;

  TStatus CloseFigure();
  TStatus Reset();
  TStatus AddLine(const TGPPointF& pt1, const TGPPointF& pt2);
  TStatus AddLine(REAL x1, REAL y1, REAL x2, REAL y2);
  TStatus AddLines(const TGPPoint* points, int count);
  TStatus AddRectangle(const TGPRectF& rect);
  TStatus AddRectangle(const TGPRect& rect);
  TStatus AddArc(const TGPRectF& rect, REAL startAngle, REAL sweepAngle);
  TStatus AddArc(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
  TStatus AddEllipse(const TGPRectF& rect);
  TStatus AddEllipse(REAL x, REAL y, REAL width, REAL height);
  TStatus AddPie(const TGPRectF& rect, REAL startAngle, REAL sweepAngle);
  TStatus AddPie(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
  TStatus AddPolygon(const TGPPointF* points, int count);
  TStatus AddPolygon(const TGPPoint* points, int count);
  TStatus AddCurve(const TGPPointF* points, int count);
  TStatus AddCurve(const TGPPointF* points, int count, REAL tension);
  TStatus AddCurve(const TGPPointF* points, int count, int offset, int numberOfSegments, REAL tension);
  TStatus AddBezier(const TGPPointF& pt1, const TGPPointF& pt2, const TGPPointF& pt3, const TGPPointF& pt4);
  TStatus AddBezier(REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4, REAL y4);
  TStatus AddBezier(const TGPPoint& pt1, const TGPPoint& pt2, const TGPPoint& pt3, const TGPPoint& pt4);
  TStatus AddString(const QString& string, int length, TGPFontFamily* family, int style, REAL emSize,
                    const TGPPointF& origin, TGPStringFormat* format);
  TStatus AddString(const QString& string, int length, TGPFontFamily* family, int style, REAL emSize,
                    const TGPRectF& layoutRect, TGPStringFormat* format);
  TStatus GetBounds(TGPRectF& bounds, TGPMatrix* matrix = nullptr, TGPPen* pen = nullptr);
  // Up to count points; InvalidParameter without a call when count is
  // negative or more than the path holds, or no array is given.
  TStatus GetPathPoints(TGPPointF* points, int count);
  TStatus GetPathTypes(BYTE* types, int count);
  // 0 on failure.
  int GetPointCount();
  TStatus GetLastStatus();

 protected:
  KITGDIP_FRIENDS
  TStatus SetStatus(TStatus status);
  GpPath* nativePath = nullptr;
  TStatus lastResult = Ok;
};

class TGPImage : public TGdiplusBase {
 public:
  TF_DECLARE_PUBLISHED(TGPImage)
  // From a file (the whole file through the memory decoder).
  explicit TGPImage(const QString& filename, bool useEmbeddedColorManagement = false);
  // From a stream (its bytes from its position on).
  explicit TGPImage(TStream* stream, bool useEmbeddedColorManagement = false);
  // From the bytes of an image file.
  explicit TGPImage(const QByteArray& bytes, bool useEmbeddedColorManagement = false);
  TGPImage(GpImage* nativeImage, TStatus status);
  ~TGPImage() override;

  // Encodes with the encoder (GdiplusEncoderPng...).
  TStatus Save(const QString& filename, const CLSID& clsidEncoder, const EncoderParameters* encoderParams = nullptr);
  TStatus Save(TStream* stream, const CLSID& clsidEncoder, const EncoderParameters* encoderParams = nullptr);
  TStatus SaveAdd(const EncoderParameters* encoderParams);
  TGPImageFormat GetFormat();
  // 0 on failure.
  int GetPixelFormat();
  int GetPixelDepth();
  bool HasPalette();
  bool HasAlphaChannel();
  // A new image wrapper carrying the call's status; the caller owns it.
  TGPImage* GetThumbnailImage(UINT thumbWidth, UINT thumbHeight);
  // 0 on failure.
  UINT GetWidth();
  UINT GetHeight();
  int Width() { return int(GetWidth()); }
  int Height() { return int(GetHeight()); }
  TStatus RotateFlip(RotateFlipType rotateFlipType);
  // Dots per inch; 0 on failure.
  REAL GetHorizontalResolution();
  REAL GetVerticalResolution();
  // The size in pixels at 96 dots per inch: a metafile's header size at its
  // own resolution, any other image's own size. 0 x 0 on failure.
  void GetPixelSize(int& width, int& height);
  // Frames along the time (animation) or page dimension; 1 for a single
  // image, 0 on failure.
  UINT GetFrameCount();
  TStatus SelectActiveFrame(UINT frameIndex);
  TStatus GetLastStatus();

 protected:
  KITGDIP_FRIENDS
  TGPImage() = default;
  TStatus SetStatus(TStatus status);
  void LoadBytes(const QByteArray& bytes);
  GpImage* nativeImage = nullptr;
  TStatus lastResult = Ok;
};

class TGPBitmap : public TGPImage {
 public:
  TF_DECLARE_PUBLISHED(TGPBitmap)
  explicit TGPBitmap(TStream* stream, bool useEmbeddedColorManagement = false);
  explicit TGPBitmap(const QByteArray& bytes, bool useEmbeddedColorManagement = false);
  TGPBitmap(int width, int height, int format = PixelFormat32bppARGB);
  explicit TGPBitmap(GpBitmap* nativeBitmap);

  static TGPBitmap* FromStream(TStream* stream, bool useEmbeddedColorManagement = false);
  TStatus GetPixel(int x, int y, ARGB& color);
  TStatus SetPixel(int x, int y, ARGB color);
  // A window-layer bitmap holding the pixels over colorBackground; the
  // caller deletes it. Null on failure.
  TStatus GetHBITMAP(ARGB colorBackground, HBITMAP& hbmReturn);
};

class TGPMatrix : public TGdiplusBase {
 public:
  TF_DECLARE_PUBLISHED(TGPMatrix)
  TGPMatrix();
  TGPMatrix(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy);
  // Maps the rectangle onto the parallelogram of three points.
  TGPMatrix(const TGPRectF& rect, const TGPPointF* dstplg);
  TGPMatrix(const TGPRect& rect, const TGPPoint* dstplg);
  ~TGPMatrix() override;

  // A new copy, or null when the copy fails (recorded here).
  TGPMatrix* Clone();
  TStatus GetElements(TMatrixArray& m);
  TStatus SetElements(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy);
  // The fifth and sixth elements; 0 when the elements cannot be read.
  REAL OffsetX();
  REAL OffsetY();
  TStatus Reset();
  TStatus Multiply(TGPMatrix* matrix, MatrixOrder order = MatrixOrderPrepend);
  TStatus Translate(REAL offsetX, REAL offsetY, MatrixOrder order = MatrixOrderPrepend);
  TStatus Scale(REAL scaleX, REAL scaleY, MatrixOrder order = MatrixOrderPrepend);
  TStatus Rotate(REAL angle, MatrixOrder order = MatrixOrderPrepend);
  TStatus RotateAt(REAL angle, const TGPPointF& center, MatrixOrder order = MatrixOrderPrepend);
  TStatus Shear(REAL shearX, REAL shearY, MatrixOrder order = MatrixOrderPrepend);
  TStatus Invert();
  TStatus TransformPoints(TGPPointF* pts, int count = 1);
  TStatus TransformPoints(TGPPoint* pts, int count = 1);
  TStatus TransformVectors(TGPPointF* pts, int count = 1);
  TStatus TransformVectors(TGPPoint* pts, int count = 1);
  // False on failure.
  bool IsInvertible();
  bool IsIdentity();
  TStatus GetLastStatus();

 protected:
  KITGDIP_FRIENDS
  TGPMatrix(GpMatrix* nativeMatrix, TStatus status);
  TStatus SetStatus(TStatus status);
  GpMatrix* nativeMatrix = nullptr;
  TStatus lastResult = Ok;
};

class TGPGraphics : public TGdiplusBase {
 public:
  TF_DECLARE_PUBLISHED(TGPGraphics)
  // On a device context of the window layer: draws into its image.
  explicit TGPGraphics(HDC hdc);
  // On an image; a null image gives a null handle and InvalidParameter.
  explicit TGPGraphics(TGPImage* image);
  ~TGPGraphics() override;

  static TGPGraphics* FromImage(TGPImage* image);

  TStatus Flush(FlushIntention intention = FlushIntentionFlush);
  TStatus Clear(ARGB color);
  TStatus SetTransform(TGPMatrix* matrix);
  TStatus ResetTransform();
  TStatus MultiplyTransform(TGPMatrix* matrix, MatrixOrder order = MatrixOrderPrepend);
  TStatus TranslateTransform(REAL dx, REAL dy, MatrixOrder order = MatrixOrderPrepend);
  TStatus ScaleTransform(REAL sx, REAL sy, MatrixOrder order = MatrixOrderPrepend);
  TStatus RotateTransform(REAL angle, MatrixOrder order = MatrixOrderPrepend);
  TStatus GetTransform(TGPMatrix* matrix);
  // A device context over the graphics' pixels (null on failure): GDI+
  // drawing is flushed first; ReleaseHDC gives it back.
  HDC GetHDC();
  void ReleaseHDC(HDC hdc);
  TStatus SetCompositingQuality(int compositingQuality);
  // CompositingQualityInvalid on failure.
  int GetCompositingQuality();
  TStatus SetTextRenderingHint(TextRenderingHint newMode);
  // TextRenderingHintSystemDefault on failure.
  TextRenderingHint GetTextRenderingHint();
  TStatus SetSmoothingMode(int smoothingMode);
  // SmoothingModeInvalid (-1) on failure.
  int GetSmoothingMode();
  TStatus SetClip(TGPRegion* region, CombineMode combineMode = CombineModeReplace);
  TStatus SetClip(TGPGraphicsPath* path, CombineMode combineMode = CombineModeReplace);
  TStatus SetClip(const TGPRectF& rect, CombineMode combineMode = CombineModeReplace);
  // Sets the clip with CombineModeExclude.
  TStatus ExcludeClip(const TGPRectF& rect);
  TStatus ExcludeClip(TGPRegion* region);
  TStatus ResetClip();

  TStatus DrawPath(TGPPen* pen, TGPGraphicsPath* path);
  TStatus FillPath(TGPBrush* brush, TGPGraphicsPath* path);
  TStatus FillRectangle(TGPBrush* brush, const TGPRectF& rect);
  TStatus FillRectangle(TGPBrush* brush, REAL x, REAL y, REAL width, REAL height);
  TStatus DrawRectangle(TGPPen* pen, const TGPRectF& rect);
  TStatus DrawRectangle(TGPPen* pen, REAL x, REAL y, REAL width, REAL height);
  TStatus DrawLine(TGPPen* pen, REAL x1, REAL y1, REAL x2, REAL y2);
  TStatus DrawArc(TGPPen* pen, REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
  TStatus DrawArc(TGPPen* pen, const TGPRectF& rect, REAL startAngle, REAL sweepAngle);
  TStatus DrawBezier(TGPPen* pen, REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4, REAL y4);
  TStatus DrawBezier(TGPPen* pen, const TGPPointF& pt1, const TGPPointF& pt2, const TGPPointF& pt3,
                     const TGPPointF& pt4);
  TStatus DrawBeziers(TGPPen* pen, const TGPPointF* points, int count);
  TStatus DrawEllipse(TGPPen* pen, const TGPRectF& rect);
  TStatus DrawEllipse(TGPPen* pen, REAL x, REAL y, REAL width, REAL height);
  TStatus DrawEllipse(TGPPen* pen, const TGPRect& rect);
  TStatus DrawEllipse(TGPPen* pen, int x, int y, int width, int height);
  TStatus FillEllipse(TGPBrush* brush, const TGPRectF& rect);
  TStatus FillEllipse(TGPBrush* brush, REAL x, REAL y, REAL width, REAL height);
  TStatus FillEllipse(TGPBrush* brush, const TGPRect& rect);
  TStatus FillEllipse(TGPBrush* brush, int x, int y, int width, int height);
  TStatus FillPolygon(TGPBrush* brush, const TGPPointF* points, int count);
  TStatus FillPolygon(TGPBrush* brush, const TGPPointF* points, int count, FillMode fillMode);
  TStatus FillPolygon(TGPBrush* brush, const TGPPoint* points, int count);
  TStatus FillPolygon(TGPBrush* brush, const TGPPoint* points, int count, FillMode fillMode);
  // The image at a point in its own size.
  TStatus DrawImage(TGPImage* image, REAL x, REAL y);
  TStatus DrawImage(TGPImage* image, int x, int y);
  // The image stretched into a rectangle.
  TStatus DrawImage(TGPImage* image, const TGPRectF& rect);
  // A part of the image (in srcUnit) into a rectangle, through attributes.
  TStatus DrawImage(TGPImage* image, const TGPRectF& destRect, REAL srcx, REAL srcy, REAL srcwidth,
                    REAL srcheight, Unit_ srcUnit, TGPImageAttributes* imageAttributes = nullptr);
  // The whole image stretched into the integer rectangle.
  TStatus DrawImageRect(TGPImage* image, int x, int y, int width, int height);
  // The same with the rectangle's values rounded (halves to even) first.
  TStatus DrawImageRect(TGPImage* image, const TGPRectF& rect);
  // The text's own length is drawn; length is not used.
  TStatus DrawString(const QString& string, int length, TGPFont* font, const TGPRectF& layoutRect,
                     TGPStringFormat* stringFormat, TGPBrush* brush);
  TStatus DrawString(const char16_t* string, int length, TGPFont* font, const TGPRectF& layoutRect,
                     TGPStringFormat* stringFormat, TGPBrush* brush);
  TStatus DrawString(const char16_t* string, int length, TGPFont* font, const TGPPointF& origin, TGPBrush* brush);
  TStatus DrawString(const char16_t* string, int length, TGPFont* font, const TGPPointF& origin,
                     TGPStringFormat* stringFormat, TGPBrush* brush);
  // length as given (-1: to the end of the text, bounded by the text).
  TStatus MeasureString(const QString& string, int length, TGPFont* font, const TGPRectF& layoutRect,
                        TGPStringFormat* stringFormat, TGPRectF& boundingBox, int* codepointsFitted = nullptr,
                        int* linesFilled = nullptr);
  TStatus MeasureString(const QString& string, int length, TGPFont* font, const TGPRectF& layoutRect,
                        TGPRectF& boundingBox);
  TStatus MeasureString(const QString& string, int length, TGPFont* font, const TGPPointF& origin,
                        TGPStringFormat* stringFormat, TGPRectF& boundingBox);
  TStatus GetLastStatus();

  // Text helpers over a framework font.
  // A new font (the caller frees it): the font's family, or "Arial" when
  // that family is missing, in UnitPoint, em size = size, style bits.
  TGPFont* MakeFont(TFont* font);
  TGPFont* MakeFont(TFont* font, REAL size);
  // The same, kept and owned by the graphics (one cached font).
  TGPFont* MakeFontEx(TFont* font);
  TGPFont* MakeFontEx(TFont* font, REAL size);
  // One line of text at the rectangle's top-left; answers the text height.
  int DrawText(const QString& text, int length, TRect& rect, TFont* font, UINT style, TColor bgColor);
  int TextWidth(const QString& text, TFont* font);
  int TextHeight(const QString& text, TFont* font);

  // The cached font of MakeFontEx (null before its first use).
  TGPFont* CachedFont() const { return FCachedFont.get(); }

 protected:
  KITGDIP_FRIENDS
  TStatus SetStatus(TStatus status);
  std::unique_ptr<TGPFont> FCachedFont;
  GpGraphics* nativeGraphics = nullptr;
  TStatus lastResult = Ok;

 private:
  struct THdcState;
  HDC FHdc = nullptr;          // the device context this graphics draws into
  GpImage* FImage = nullptr;   // the image this graphics draws into
  std::unique_ptr<THdcState> FHdcState;
  QString FCachedFamily;       // family name the cached font was made for
};


// ---------------------------------------------------------------------------
// Native handles of the wrappers (null for a null wrapper)

struct TNative {
  static GpRegion* Get(TGPRegion* o) { return o ? o->nativeRegion : nullptr; }
  static GpImageAttributes* Get(TGPImageAttributes* o) { return o ? o->nativeImageAttr : nullptr; }
  static GpFontFamily* Get(TGPFontFamily* o) { return o ? o->nativeFamily : nullptr; }
  static GpFontCollection* Get(TGPFontCollection* o) { return o ? o->nativeFontCollection : nullptr; }
  static GpFont* Get(TGPFont* o) { return o ? o->nativeFont : nullptr; }
  static GpBrush* Get(TGPBrush* o) { return o ? o->nativeBrush : nullptr; }
  static GpPen* Get(TGPPen* o) { return o ? o->nativePen : nullptr; }
  static GpStringFormat* Get(TGPStringFormat* o) { return o ? o->nativeFormat : nullptr; }
  static GpPath* Get(TGPGraphicsPath* o) { return o ? o->nativePath : nullptr; }
  static GpImage* Get(TGPImage* o) { return o ? o->nativeImage : nullptr; }
  static GpMatrix* Get(TGPMatrix* o) { return o ? o->nativeMatrix : nullptr; }
  static GpGraphics* Get(TGPGraphics* o) { return o ? o->nativeGraphics : nullptr; }
  // A brush wrapper takes over a native brush with the status of the call
  // that handed it out.
  static void Adopt(TGPBrush* o, GpBrush* brush, TStatus status) {
    o->nativeBrush = brush;
    o->lastResult = status;
  }
  // A family wrapper takes over a native family (its old handle is freed).
  static void Adopt(TGPFontFamily* o, GpFontFamily* family);
  static TStatus Record(TGPFontFamily* o, TStatus status) { return o->SetStatus(status); }
};

// ---------------------------------------------------------------------------
// Fill painter

struct TGradientFillParams {
  TGPGraphics* Graphics = nullptr;
  TGPGraphicsPath* Path = nullptr;  // not owned
  bool UsePath = false;
  TGPRectF Rect{};
  TKitGradientType GradientType = gtSolid;
  TColor ColorFrom = clNone;
  TColor ColorTo = clNone;
  Byte OpacityFrom = 255;
  Byte OpacityTo = 255;
  ::HatchStyle HatchStyle = HatchStyleHorizontal;
  int Angle = 0;
  TKitGDIPPicture* Texture = nullptr;  // not owned
  TColor BorderColor = clNone;
  int BorderWidth = 0;
  DashStyle BorderStyle = DashStyleSolid;
  bool Mirror = false;
};

// Paints one body and its optional outline; every brush and pen is made and
// freed inside; the graphics' state is not changed.
void PaintGradientFill(TGradientFillParams Params);

}  // namespace KitGDIP
