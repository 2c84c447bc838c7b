#pragma once
// The wrapper classes of the run-time GDI+ binding: each owns one native
// GDI+ object and calls the flat functions of the entry-point table
// (KitGDIPlusApi) on it. The drawing back-end and the SVG engine draw only
// through these classes. They follow the published GDI+ class interface
// (Graphics, Pen, Brush, Matrix, Region, ...), named with the prefix "TGP".
//
// The classes live in namespace KitGDIPlusClasses, as do TGdiplusBase and
// TPathData; the link-time binding declares classes of the same names in
// namespace KitGDIP, so the two sets are distinct types that never mix.
//
// Rules every class follows:
//  - A creating constructor stores the new handle (null when creation fails)
//    and the creation status, Ok included. A wrapping constructor takes a
//    handle (and a status, Ok when none is given) without calling GDI+.
//  - Every other operation calls its flat function with the wrapper's handle
//    and records the status: a status other than Ok replaces the status
//    field, Ok leaves it alone, so the field keeps the last failure until
//    GetLastStatus reads it (and resets it to Ok; TGPFont and
//    TGPFontCollection do not reset). TGPFontCollection stores every status.
//  - An operation returning Status returns the status of its own call unless
//    its comment says it returns the status field.
//  - Getters start their value at 0 (false, null) unless a comment names
//    another start value, and return it when the call fails; out arguments
//    are left as they were unless a comment says they are cleared first.
//  - A wrapper argument that must not be null records and returns
//    InvalidParameter without a call when it is null; one marked "null
//    allowed" passes a null handle.
//  - Where a caller passes an array with a count, the count is checked
//    against the object before GDI+ writes into the caller's memory: a
//    buffer smaller than the object's contents answers InsufficientBuffer,
//    a count of 0 or less or a null array InvalidParameter. Text lengths
//    larger than the text, or negative, mean the whole text.
//  - A call made while the library is not loaded answers NotImplemented.
//  - Objects that an operation hands out (Clone, FromFile, GetBrush, ...)
//    belong to the caller. Nothing raises an exception.
//  - Wrapper objects are ordinary heap objects; their native objects are
//    deleted by their destructors.
//
// Images travel through the layer's streams (TStream) and the runtime's
// memory loader; COM streams do not exist here. GDI handles (HDC, HRGN,
// HBITMAP, HFONT) are those of the platform layer.
//
// Unit start and end: InitializeKitGDIPlusClasses loads the library and
// starts GDI+ for this binding through the process-wide shared start-up;
// FinalizeKitGDIPlusClasses frees the shared generic families and string
// formats, releases this binding's start-up and unloads the table. The
// library itself keeps running until the process ends.

#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "foundation/KitGDIPlusApi.h"

class TStream;

namespace KitGDIPlusClasses {

// ---------------------------------------------------------------------------
// Published GDI+ values that travel as plain integers

using TLineCap = INT;
inline constexpr TLineCap LineCapFlat = 0;
inline constexpr TLineCap LineCapSquare = 1;
inline constexpr TLineCap LineCapRound = 2;
inline constexpr TLineCap LineCapTriangle = 3;
inline constexpr TLineCap LineCapNoAnchor = 0x10;
inline constexpr TLineCap LineCapSquareAnchor = 0x11;
inline constexpr TLineCap LineCapRoundAnchor = 0x12;
inline constexpr TLineCap LineCapDiamondAnchor = 0x13;
inline constexpr TLineCap LineCapArrowAnchor = 0x14;
inline constexpr TLineCap LineCapCustom = 0xFF;

using TDashCap = INT;
inline constexpr TDashCap DashCapFlat = 0;
inline constexpr TDashCap DashCapRound = 2;
inline constexpr TDashCap DashCapTriangle = 3;

using TPenType = INT;
inline constexpr TPenType PenTypeSolidColor = 0;
inline constexpr TPenType PenTypeHatchFill = 1;
inline constexpr TPenType PenTypeTextureFill = 2;
inline constexpr TPenType PenTypePathGradient = 3;
inline constexpr TPenType PenTypeLinearGradient = 4;
inline constexpr TPenType PenTypeUnknown = -1;

inline constexpr INT FontStyleRegular = 0;
inline constexpr INT FontStyleBold = 1;
inline constexpr INT FontStyleItalic = 2;
inline constexpr INT FontStyleBoldItalic = 3;
inline constexpr INT FontStyleUnderline = 4;
inline constexpr INT FontStyleStrikeout = 8;

inline constexpr INT StringFormatFlagsDirectionRightToLeft = 0x0001;
inline constexpr INT StringFormatFlagsDirectionVertical = 0x0002;
inline constexpr INT StringFormatFlagsNoFitBlackBox = 0x0004;
inline constexpr INT StringFormatFlagsDisplayFormatControl = 0x0020;
inline constexpr INT StringFormatFlagsNoFontFallback = 0x0400;
inline constexpr INT StringFormatFlagsMeasureTrailingSpaces = 0x0800;
inline constexpr INT StringFormatFlagsNoWrap = 0x1000;
inline constexpr INT StringFormatFlagsLineLimit = 0x2000;
inline constexpr INT StringFormatFlagsNoClip = 0x4000;

inline constexpr INT QualityModeInvalid = -1;
inline constexpr INT QualityModeDefault = 0;
inline constexpr INT QualityModeLow = 1;
inline constexpr INT QualityModeHigh = 2;

inline constexpr INT SmoothingModeInvalid = -1;
inline constexpr INT SmoothingModeDefault = 0;
inline constexpr INT SmoothingModeHighSpeed = 1;
inline constexpr INT SmoothingModeHighQuality = 2;
inline constexpr INT SmoothingModeNone = 3;
inline constexpr INT SmoothingModeAntiAlias = 4;

inline constexpr INT InterpolationModeInvalid = -1;
inline constexpr INT InterpolationModeDefault = 0;
inline constexpr INT InterpolationModeLowQuality = 1;
inline constexpr INT InterpolationModeHighQuality = 2;
inline constexpr INT InterpolationModeBilinear = 3;
inline constexpr INT InterpolationModeBicubic = 4;
inline constexpr INT InterpolationModeNearestNeighbor = 5;
inline constexpr INT InterpolationModeHighQualityBilinear = 6;
inline constexpr INT InterpolationModeHighQualityBicubic = 7;

inline constexpr INT PixelOffsetModeInvalid = -1;
inline constexpr INT PixelOffsetModeDefault = 0;
inline constexpr INT PixelOffsetModeHighSpeed = 1;
inline constexpr INT PixelOffsetModeHighQuality = 2;
inline constexpr INT PixelOffsetModeNone = 3;
inline constexpr INT PixelOffsetModeHalf = 4;

inline constexpr INT CompositingQualityInvalid = -1;
inline constexpr INT CompositingQualityDefault = 0;
inline constexpr INT CompositingQualityHighSpeed = 1;
inline constexpr INT CompositingQualityHighQuality = 2;
inline constexpr INT CompositingQualityGammaCorrected = 3;
inline constexpr INT CompositingQualityAssumeLinear = 4;

inline constexpr UINT ImageLockModeRead = 1;
inline constexpr UINT ImageLockModeWrite = 2;
inline constexpr UINT ImageLockModeUserInputBuf = 4;

inline constexpr PixelFormat PixelFormat1bppIndexed = 0x00030101;
inline constexpr PixelFormat PixelFormat4bppIndexed = 0x00030402;
inline constexpr PixelFormat PixelFormat8bppIndexed = 0x00030803;
inline constexpr PixelFormat PixelFormat16bppRGB555 = 0x00021005;
inline constexpr PixelFormat PixelFormat16bppRGB565 = 0x00021006;
inline constexpr PixelFormat PixelFormat16bppARGB1555 = 0x00061007;

inline constexpr REAL FlatnessDefault = 0.25f;

// Frame dimensions of multi-frame images.
extern const GUID FrameDimensionTime;
extern const GUID FrameDimensionResolution;
extern const GUID FrameDimensionPage;

// The six elements of a matrix: m11, m12, m21, m22, dx, dy.
using TMatrixArray = std::array<REAL, 6>;

// ---------------------------------------------------------------------------
// Unit start and end

// Loads the library and, unless this code runs inside a shared library,
// starts GDI+ for this binding. Safe to call again.
void InitializeKitGDIPlusClasses();
// Frees the shared generic font families and string formats, releases this
// binding's start-up (same condition) and unloads the table.
void FinalizeKitGDIPlusClasses();

class TGPGraphics;
class TGPGraphicsPath;
class TGPImage;
class TGPBitmap;
class TGPBrush;
class TGPPen;
class TGPFontFamily;
class TGPFontCollection;

namespace detail {
struct Native;  // lets the classes of the set reach each other's handles
}
#define KIT_GP_FRIENDS friend struct detail::Native

// ---------------------------------------------------------------------------
// Matrices

class TGPMatrix : public TGdiplusBase {
 public:
  TGPMatrix();  // identity
  TGPMatrix(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy);
  // Maps rect onto the parallelogram of the three points dstplg.
  TGPMatrix(const TGPRectF& rect, const TGPPointF (&dstplg)[3]);
  TGPMatrix(const TGPRect& rect, const TGPPoint (&dstplg)[3]);
  explicit TGPMatrix(GpMatrix* nativeMatrix);  // wraps, status Ok
  ~TGPMatrix() override;

  // Null when the clone fails or an older failure is still unread.
  std::unique_ptr<TGPMatrix> Clone();
  Status GetElements(TMatrixArray& m);
  Status SetElements(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy);
  REAL OffsetX();  // 0 when the elements cannot be read
  REAL OffsetY();
  Status Reset();
  Status Multiply(const TGPMatrix* matrix, MatrixOrder order = MatrixOrderPrepend);
  Status Translate(REAL offsetX, REAL offsetY, MatrixOrder order = MatrixOrderPrepend);
  Status Scale(REAL scaleX, REAL scaleY, MatrixOrder order = MatrixOrderPrepend);
  Status Rotate(REAL angle, MatrixOrder order = MatrixOrderPrepend);
  // Three recorded calls; returns the status of the last one.
  Status RotateAt(REAL angle, const TGPPointF& center, MatrixOrder order = MatrixOrderPrepend);
  Status Shear(REAL shearX, REAL shearY, MatrixOrder order = MatrixOrderPrepend);
  Status Invert();
  Status TransformPoints(TGPPointF* pts, INT count = 1);
  Status TransformPoints(TGPPoint* pts, INT count = 1);
  Status TransformVectors(TGPPointF* pts, INT count = 1);
  Status TransformVectors(TGPPoint* pts, INT count = 1);
  bool IsInvertible();
  bool IsIdentity();
  bool IsEqual(const TGPMatrix* matrix);
  Status GetLastStatus();

 protected:
  GpMatrix* nativeMatrix = nullptr;
  Status lastResult = Ok;
  Status SetStatus(Status status);
  KIT_GP_FRIENDS;
};

// ---------------------------------------------------------------------------
// Regions

class TGPRegion : public TGdiplusBase {
 public:
  TGPRegion();  // infinite
  explicit TGPRegion(const TGPRectF& rect);
  explicit TGPRegion(const TGPRect& rect);
  explicit TGPRegion(const TGPGraphicsPath* path);
  TGPRegion(const BYTE* regionData, INT size);
  explicit TGPRegion(HRGN hRgn);  // a region of the platform layer
  explicit TGPRegion(GpRegion* nativeRegion);  // wraps, status Ok
  ~TGPRegion() override;

  // Null on failure; nothing is recorded.
  static std::unique_ptr<TGPRegion> FromHRGN(HRGN hRgn);
  std::unique_ptr<TGPRegion> Clone();  // status Ok whatever the clone did

  Status MakeInfinite();
  Status MakeEmpty();
  UINT GetDataSize();
  Status GetData(BYTE* buffer, UINT bufferSize, UINT* sizeFilled = nullptr);

  Status Intersect(const TGPRect& rect);
  Status Intersect(const TGPRectF& rect);
  Status Intersect(const TGPGraphicsPath* path);
  Status Intersect(const TGPRegion* region);
  Status Union(const TGPRect& rect);
  Status Union(const TGPRectF& rect);
  Status Union(const TGPGraphicsPath* path);
  Status Union(const TGPRegion* region);
  Status Xor_(const TGPRect& rect);
  Status Xor_(const TGPRectF& rect);
  Status Xor_(const TGPGraphicsPath* path);
  Status Xor_(const TGPRegion* region);
  Status Exclude(const TGPRect& rect);
  Status Exclude(const TGPRectF& rect);
  Status Exclude(const TGPGraphicsPath* path);
  Status Exclude(const TGPRegion* region);
  Status Complement(const TGPRect& rect);
  Status Complement(const TGPRectF& rect);
  Status Complement(const TGPGraphicsPath* path);
  Status Complement(const TGPRegion* region);

  Status Translate(REAL dx, REAL dy);
  Status Translate(INT dx, INT dy);
  Status Transform(const TGPMatrix* matrix);

  // g must not be null in these. rect is cleared first.
  Status GetBounds(TGPRect& rect, const TGPGraphics* g);
  Status GetBounds(TGPRectF& rect, const TGPGraphics* g);
  // A region handle of the platform layer the caller deletes; null for an
  // infinite region and on failure.
  HRGN GetHRGN(const TGPGraphics* g);
  bool IsEmpty(const TGPGraphics* g);
  bool IsInfinite(const TGPGraphics* g);
  bool IsEqual(const TGPRegion* region, const TGPGraphics* g);

  // g null allowed.
  bool IsVisible(INT x, INT y, const TGPGraphics* g = nullptr);
  bool IsVisible(const TGPPoint& point, const TGPGraphics* g = nullptr);
  bool IsVisible(REAL x, REAL y, const TGPGraphics* g = nullptr);
  bool IsVisible(const TGPPointF& point, const TGPGraphics* g = nullptr);
  bool IsVisible(INT x, INT y, INT width, INT height, const TGPGraphics* g = nullptr);
  bool IsVisible(const TGPRect& rect, const TGPGraphics* g = nullptr);
  bool IsVisible(REAL x, REAL y, REAL width, REAL height, const TGPGraphics* g = nullptr);
  bool IsVisible(const TGPRectF& rect, const TGPGraphics* g = nullptr);

  // matrix must not be null.
  UINT GetRegionScansCount(const TGPMatrix* matrix);
  // count: in, the number of rectangles rects holds (ignored when rects is
  // null); out, the number of scans. A buffer smaller than the scans answers
  // InsufficientBuffer without a call.
  Status GetRegionScans(const TGPMatrix* matrix, TGPRectF* rects, INT& count);
  Status GetRegionScans(const TGPMatrix* matrix, TGPRect* rects, INT& count);
  Status GetLastStatus();

 protected:
  GpRegion* nativeRegion = nullptr;
  Status lastResult = Ok;
  Status SetStatus(Status status);
  Status Combine(const TGPRect& rect, CombineMode mode);
  Status Combine(const TGPRectF& rect, CombineMode mode);
  Status Combine(const TGPGraphicsPath* path, CombineMode mode);
  Status Combine(const TGPRegion* region, CombineMode mode);
  KIT_GP_FRIENDS;
};

// ---------------------------------------------------------------------------
// String formats

class TGPStringFormat : public TGdiplusBase {
 public:
  explicit TGPStringFormat(INT formatFlags = 0, LANGID language = 0);
  explicit TGPStringFormat(const TGPStringFormat* format);  // a copy; null allowed
  TGPStringFormat(GpStringFormat* clonedStringFormat, Status status);  // wraps
  ~TGPStringFormat() override;

  // Shared formats, created on first request and freed by the unit's end;
  // callers never free them.
  static TGPStringFormat* GenericDefault();
  static TGPStringFormat* GenericTypographic();

  // Stores the clone's status whatever it is; null on failure.
  std::unique_ptr<TGPStringFormat> Clone();
  Status SetFormatFlags(INT flags);
  INT GetFormatFlags();
  Status SetAlignment(StringAlignment align);
  StringAlignment GetAlignment();
  Status SetLineAlignment(StringAlignment align);
  StringAlignment GetLineAlignment();
  Status SetHotkeyPrefix(HotkeyPrefix hotkeyPrefix);
  HotkeyPrefix GetHotkeyPrefix();
  Status SetTrimming(StringTrimming trimming);
  StringTrimming GetTrimming();
  Status SetTabStops(REAL firstTabOffset, INT count, const REAL* tabStops);
  INT GetTabStopCount();
  // count: the size of tabStops; smaller than the format's tab stops answers
  // InsufficientBuffer.
  Status GetTabStops(INT count, REAL* firstTabOffset, REAL* tabStops);
  Status SetDigitSubstitution(LANGID language, StringDigitSubstitute substitute);
  LANGID GetDigitSubstitutionLanguage();
  StringDigitSubstitute GetDigitSubstitutionMethod();
  Status SetMeasurableCharacterRanges(INT rangeCount, const TCharacterRange* ranges);
  INT GetMeasurableCharacterRangeCount();
  Status GetLastStatus();  // reads and resets lastError

 protected:
  GpStringFormat* nativeFormat = nullptr;
  Status lastError = Ok;
  Status SetStatus(Status status);
  KIT_GP_FRIENDS;
};

// ---------------------------------------------------------------------------
// Image attributes

class TGPImageAttributes : public TGdiplusBase {
 public:
  TGPImageAttributes();
  TGPImageAttributes(GpImageAttributes* imageAttr, Status status);  // wraps
  ~TGPImageAttributes() override;

  std::unique_ptr<TGPImageAttributes> Clone();  // always; status copied
  Status SetToIdentity(ColorAdjustType type_ = ColorAdjustTypeDefault);
  Status Reset(ColorAdjustType type_ = ColorAdjustTypeDefault);
  Status SetColorMatrix(const ColorMatrix& colorMatrix,
                        ColorMatrixFlags mode = ColorMatrixFlagsDefault,
                        ColorAdjustType type_ = ColorAdjustTypeDefault);
  Status ClearColorMatrix(ColorAdjustType type_ = ColorAdjustTypeDefault);
  Status SetColorMatrices(const ColorMatrix& colorMatrix, const ColorMatrix& grayMatrix,
                          ColorMatrixFlags mode = ColorMatrixFlagsDefault,
                          ColorAdjustType type_ = ColorAdjustTypeDefault);
  Status ClearColorMatrices(ColorAdjustType type_ = ColorAdjustTypeDefault);
  Status SetThreshold(REAL threshold, ColorAdjustType type_ = ColorAdjustTypeDefault);
  Status ClearThreshold(ColorAdjustType type_ = ColorAdjustTypeDefault);
  Status SetGamma(REAL gamma, ColorAdjustType type_ = ColorAdjustTypeDefault);
  Status ClearGamma(ColorAdjustType type_ = ColorAdjustTypeDefault);
  Status SetNoOp(ColorAdjustType type_ = ColorAdjustTypeDefault);
  Status ClearNoOp(ColorAdjustType type_ = ColorAdjustTypeDefault);
  Status SetColorKey(ARGB colorLow, ARGB colorHigh,
                     ColorAdjustType type_ = ColorAdjustTypeDefault);
  Status ClearColorKey(ColorAdjustType type_ = ColorAdjustTypeDefault);
  Status SetOutputChannel(ColorChannelFlags channelFlags,
                          ColorAdjustType type_ = ColorAdjustTypeDefault);
  Status ClearOutputChannel(ColorAdjustType type_ = ColorAdjustTypeDefault);
  Status SetOutputChannelColorProfile(const QString& colorProfileFilename,
                                      ColorAdjustType type_ = ColorAdjustTypeDefault);
  Status ClearOutputChannelColorProfile(ColorAdjustType type_ = ColorAdjustTypeDefault);
  Status SetRemapTable(UINT mapSize, const ColorMap* map,
                       ColorAdjustType type_ = ColorAdjustTypeDefault);
  Status ClearRemapTable(ColorAdjustType type_ = ColorAdjustTypeDefault);
  Status SetBrushRemapTable(UINT mapSize, const ColorMap* map);
  Status ClearBrushRemapTable();
  Status SetWrapMode(WrapMode wrap, ARGB color = 0xFF000000, bool clamp = false);
  Status GetAdjustedPalette(ColorPalette* colorPalette, ColorAdjustType colorAdjustType);
  Status GetLastStatus();

 protected:
  GpImageAttributes* nativeImageAttr = nullptr;
  Status lastResult = Ok;
  Status SetStatus(Status status);
  KIT_GP_FRIENDS;
};

// ---------------------------------------------------------------------------
// Custom line caps

class TGPCustomLineCap : public TGdiplusBase {
 public:
  // Both paths null allowed.
  TGPCustomLineCap(const TGPGraphicsPath* fillPath, const TGPGraphicsPath* strokePath,
                   TLineCap baseCap = LineCapFlat, REAL baseInset = 0);
  TGPCustomLineCap();  // empty: null handle, status Ok
  TGPCustomLineCap(GpCustomLineCap* nativeCap, Status status);  // wraps
  ~TGPCustomLineCap() override;

  std::unique_ptr<TGPCustomLineCap> Clone();  // null on failure or unread failure
  Status SetStrokeCap(TLineCap strokeCap);
  Status SetStrokeCaps(TLineCap startCap, TLineCap endCap);
  Status GetStrokeCaps(TLineCap& startCap, TLineCap& endCap);  // both cleared first
  Status SetStrokeJoin(LineJoin lineJoin);
  LineJoin GetStrokeJoin();
  Status SetBaseCap(TLineCap baseCap);
  TLineCap GetBaseCap();
  Status SetBaseInset(REAL inset);
  REAL GetBaseInset();
  Status SetWidthScale(REAL widthScale);
  REAL GetWidthScale();
  Status GetLastStatus();

 protected:
  GpCustomLineCap* nativeCap = nullptr;
  Status lastResult = Ok;
  Status SetStatus(Status status);
  // Takes a handle delivered by GDI+ in place of the one held.
  void Replace(GpCustomLineCap* cap);
  KIT_GP_FRIENDS;
};

// ---------------------------------------------------------------------------
// Pens

class TGPPen : public TGdiplusBase {
 public:
  explicit TGPPen(ARGB color, REAL width = 1.0f);
  explicit TGPPen(const TGPBrush* brush, REAL width = 1.0f);
  TGPPen(GpPen* nativePen, Status status);  // wraps
  ~TGPPen() override;

  // Always a new pen (null handle when cloning fails); the clone's status is
  // stored in both.
  std::unique_ptr<TGPPen> Clone();
  Status SetWidth(REAL width);
  REAL GetWidth();
  Status SetLineCap(TLineCap startCap, TLineCap endCap, TDashCap dashCap);
  Status SetStartCap(TLineCap startCap);
  Status SetEndCap(TLineCap endCap);
  Status SetDashCap(TDashCap dashCap);
  TLineCap GetStartCap();
  TLineCap GetEndCap();
  TDashCap GetDashCap();
  Status SetLineJoin(LineJoin lineJoin);
  LineJoin GetLineJoin();
  Status SetMiterLimit(REAL miterLimit);
  REAL GetMiterLimit();
  Status SetAlignment(PenAlignment penAlignment);
  PenAlignment GetAlignment();
  Status SetCustomStartCap(const TGPCustomLineCap* customCap);  // null allowed
  Status SetCustomEndCap(const TGPCustomLineCap* customCap);    // null allowed
  // Puts the pen's cap into customCap (normally an empty cap); a cap it held
  // before is deleted. customCap null: InvalidParameter.
  Status GetCustomStartCap(TGPCustomLineCap* customCap);
  Status GetCustomEndCap(TGPCustomLineCap* customCap);
  Status SetTransform(const TGPMatrix* matrix);
  Status GetTransform(TGPMatrix* matrix);
  Status ResetTransform();
  Status MultiplyTransform(const TGPMatrix* matrix, MatrixOrder order = MatrixOrderPrepend);
  Status TranslateTransform(REAL dx, REAL dy, MatrixOrder order = MatrixOrderPrepend);
  Status ScaleTransform(REAL sx, REAL sy, MatrixOrder order = MatrixOrderPrepend);
  Status RotateTransform(REAL angle, MatrixOrder order = MatrixOrderPrepend);
  TPenType GetPenType();  // PenTypeUnknown when the call fails
  Status SetColor(ARGB color);
  Status SetBrush(const TGPBrush* brush);
  // WrongState, unrecorded and color untouched, unless the pen is a solid
  // colour; otherwise the status field, color set only when it is Ok.
  Status GetColor(ARGB& color);
  // A new brush of the pen's fill kind (null for an unknown kind).
  std::unique_ptr<TGPBrush> GetBrush();
  DashStyle GetDashStyle();
  Status SetDashStyle(DashStyle dashStyle);
  REAL GetDashOffset();
  Status SetDashOffset(REAL dashOffset);
  Status SetDashPattern(const REAL* dashArray, INT count);
  INT GetDashPatternCount();
  // count: the size of dashArray; the pattern fills its first entries.
  Status GetDashPattern(REAL* dashArray, INT count);
  Status SetCompoundArray(const REAL* compoundArray, INT count);
  INT GetCompoundArrayCount();
  Status GetCompoundArray(REAL* compoundArray, INT count);
  Status GetLastStatus();

 protected:
  GpPen* nativePen = nullptr;
  Status lastResult = Ok;
  Status SetStatus(Status status);
  Status GetCustomCap(TGPCustomLineCap* customCap, bool start);
  KIT_GP_FRIENDS;
};

// ---------------------------------------------------------------------------
// Brushes

class TGPBrush : public TGdiplusBase {
 public:
  TGPBrush();  // null handle, status NotImplemented
  TGPBrush(GpBrush* nativeBrush, Status status);  // wraps
  ~TGPBrush() override;

  // Always a plain TGPBrush holding the clone (null handle when cloning
  // fails), with this brush's status field.
  virtual std::unique_ptr<TGPBrush> Clone();
  BrushType GetType();  // BrushType(-1) when the call fails
  Status GetLastStatus();

 protected:
  GpBrush* nativeBrush = nullptr;
  Status lastResult = Ok;
  Status SetStatus(Status status);
  KIT_GP_FRIENDS;
};

class TGPSolidBrush : public TGPBrush {
 public:
  explicit TGPSolidBrush(ARGB color);
  TGPSolidBrush();  // empty: null handle, status Ok
  Status GetColor(ARGB& color);  // returns the status field
  Status SetColor(ARGB color);
};

class TGPTextureBrush : public TGPBrush {
 public:
  // image must not be null in these.
  TGPTextureBrush(const TGPImage* image, WrapMode wrapMode = WrapModeTile);
  TGPTextureBrush(const TGPImage* image, WrapMode wrapMode, const TGPRectF& dstRect);
  TGPTextureBrush(const TGPImage* image, WrapMode wrapMode, REAL dstX, REAL dstY,
                  REAL dstWidth, REAL dstHeight);
  TGPTextureBrush(const TGPImage* image, WrapMode wrapMode, const TGPRect& dstRect);
  TGPTextureBrush(const TGPImage* image, WrapMode wrapMode, INT dstX, INT dstY, INT dstWidth,
                  INT dstHeight);
  // imageAttributes null allowed.
  TGPTextureBrush(const TGPImage* image, const TGPRectF& dstRect,
                  const TGPImageAttributes* imageAttributes);
  TGPTextureBrush(const TGPImage* image, const TGPRect& dstRect,
                  const TGPImageAttributes* imageAttributes);
  TGPTextureBrush();  // empty

  Status SetTransform(const TGPMatrix* matrix);
  Status GetTransform(TGPMatrix* matrix);
  Status ResetTransform();
  Status MultiplyTransform(const TGPMatrix* matrix, MatrixOrder order = MatrixOrderPrepend);
  Status TranslateTransform(REAL dx, REAL dy, MatrixOrder order = MatrixOrderPrepend);
  Status ScaleTransform(REAL sx, REAL sy, MatrixOrder order = MatrixOrderPrepend);
  Status RotateTransform(REAL angle, MatrixOrder order = MatrixOrderPrepend);
  Status SetWrapMode(WrapMode wrapMode);
  WrapMode GetWrapMode();
  // A new image holding the brush's picture, with the brush's status field.
  std::unique_ptr<TGPImage> GetImage();
};

class TGPLinearGradientBrush : public TGPBrush {
 public:
  TGPLinearGradientBrush(const TGPPointF& point1, const TGPPointF& point2, ARGB color1,
                         ARGB color2);
  TGPLinearGradientBrush(const TGPPoint& point1, const TGPPoint& point2, ARGB color1,
                         ARGB color2);
  TGPLinearGradientBrush(const TGPRectF& rect, ARGB color1, ARGB color2,
                         LinearGradientMode mode);
  TGPLinearGradientBrush(const TGPRect& rect, ARGB color1, ARGB color2, LinearGradientMode mode);
  TGPLinearGradientBrush(const TGPRectF& rect, ARGB color1, ARGB color2, REAL angle,
                         bool isAngleScalable = false);
  TGPLinearGradientBrush(const TGPRect& rect, ARGB color1, ARGB color2, REAL angle,
                         bool isAngleScalable = false);
  TGPLinearGradientBrush();  // empty

  Status SetLinearColors(ARGB color1, ARGB color2);
  // Returns the status field; the colours are written only when it is Ok.
  Status GetLinearColors(ARGB& color1, ARGB& color2);
  Status GetRectangle(TGPRectF& rect);
  Status GetRectangle(TGPRect& rect);
  Status SetGammaCorrection(bool useGammaCorrection);
  bool GetGammaCorrection();
  INT GetBlendCount();
  // count: the number of entries both arrays hold (at least 1, both set).
  Status SetBlend(const REAL* blendFactors, const REAL* blendPositions, INT count);
  Status GetBlend(REAL* blendFactors, REAL* blendPositions, INT count);
  INT GetInterpolationColorCount();
  Status SetInterpolationColors(const ARGB* presetColors, const REAL* blendPositions, INT count);
  Status GetInterpolationColors(ARGB* presetColors, REAL* blendPositions, INT count);
  Status SetBlendBellShape(REAL focus, REAL scale = 1.0f);
  Status SetBlendTriangularShape(REAL focus, REAL scale = 1.0f);
  Status SetTransform(const TGPMatrix* matrix);
  Status GetTransform(TGPMatrix* matrix);
  Status ResetTransform();
  Status MultiplyTransform(const TGPMatrix* matrix, MatrixOrder order = MatrixOrderPrepend);
  Status TranslateTransform(REAL dx, REAL dy, MatrixOrder order = MatrixOrderPrepend);
  Status ScaleTransform(REAL sx, REAL sy, MatrixOrder order = MatrixOrderPrepend);
  Status RotateTransform(REAL angle, MatrixOrder order = MatrixOrderPrepend);
  Status SetWrapMode(WrapMode wrapMode);
  WrapMode GetWrapMode();
};

class TGPHatchBrush : public TGPBrush {
 public:
  TGPHatchBrush(HatchStyle hatchStyle, ARGB foreColor, ARGB backColor = 0xFF000000);
  TGPHatchBrush();  // empty
  HatchStyle GetHatchStyle();
  Status GetForegroundColor(ARGB& color);
  Status GetBackgroundColor(ARGB& color);
};

class TGPPathGradientBrush : public TGPBrush {
 public:
  TGPPathGradientBrush(const TGPPointF* points, INT count, WrapMode wrapMode = WrapModeClamp);
  TGPPathGradientBrush(const TGPPoint* points, INT count, WrapMode wrapMode = WrapModeClamp);
  explicit TGPPathGradientBrush(const TGPGraphicsPath* path);  // path must not be null
  TGPPathGradientBrush();  // empty

  Status GetCenterColor(ARGB& color);  // returns the status field
  Status SetCenterColor(ARGB color);   // returns the status field
  INT GetPointCount();
  INT GetSurroundColorCount();
  // count: in, the size of colors; out, the number GDI+ delivered. Returns
  // the status field.
  Status GetSurroundColors(ARGB* colors, INT& count);
  // count: in, the number of colours; out, the number GDI+ took. Returns the
  // status field.
  Status SetSurroundColors(const ARGB* colors, INT& count);
  Status GetGraphicsPath(TGPGraphicsPath* path);
  Status SetGraphicsPath(const TGPGraphicsPath* path);
  Status GetCenterPoint(TGPPointF& point);
  Status GetCenterPoint(TGPPoint& point);
  Status SetCenterPoint(const TGPPointF& point);
  Status SetCenterPoint(const TGPPoint& point);
  Status GetRectangle(TGPRectF& rect);
  Status GetRectangle(TGPRect& rect);
  Status SetGammaCorrection(bool useGammaCorrection);
  bool GetGammaCorrection();
  INT GetBlendCount();
  Status GetBlend(REAL* blendFactors, REAL* blendPositions, INT count);
  Status SetBlend(const REAL* blendFactors, const REAL* blendPositions, INT count);
  INT GetInterpolationColorCount();
  Status SetInterpolationColors(const ARGB* presetColors, const REAL* blendPositions, INT count);
  Status GetInterpolationColors(ARGB* presetColors, REAL* blendPositions, INT count);
  Status SetBlendBellShape(REAL focus, REAL scale = 1.0f);
  Status SetBlendTriangularShape(REAL focus, REAL scale = 1.0f);
  Status GetTransform(TGPMatrix* matrix);
  Status SetTransform(const TGPMatrix* matrix);
  Status ResetTransform();
  Status MultiplyTransform(const TGPMatrix* matrix, MatrixOrder order = MatrixOrderPrepend);
  Status TranslateTransform(REAL dx, REAL dy, MatrixOrder order = MatrixOrderPrepend);
  Status ScaleTransform(REAL sx, REAL sy, MatrixOrder order = MatrixOrderPrepend);
  Status RotateTransform(REAL angle, MatrixOrder order = MatrixOrderPrepend);
  Status GetFocusScales(REAL& xScale, REAL& yScale);  // both cleared first
  Status SetFocusScales(REAL xScale, REAL yScale);
  WrapMode GetWrapMode();
  Status SetWrapMode(WrapMode wrapMode);
};

// ---------------------------------------------------------------------------
// Images

class TGPImage : public TGdiplusBase {
 public:
  explicit TGPImage(const QString& filename, bool useEmbeddedColorManagement = false);
  // Reads the stream from its position to its end; the stream stays the
  // caller's.
  explicit TGPImage(TStream* stream, bool useEmbeddedColorManagement = false);
  TGPImage(GpImage* nativeImage, Status status);  // wraps
  ~TGPImage() override;

  static std::unique_ptr<TGPImage> FromFile(const QString& filename,
                                            bool useEmbeddedColorManagement = false);
  static std::unique_ptr<TGPImage> FromStream(TStream* stream,
                                              bool useEmbeddedColorManagement = false);

  // Always a TGPImage (also for a bitmap), with this image's status field.
  std::unique_ptr<TGPImage> Clone();
  Status Save(const QString& filename, const CLSID& clsidEncoder,
              const EncoderParameters* encoderParams = nullptr);
  // Writes the encoded image at the stream's position.
  Status Save(TStream* stream, const CLSID& clsidEncoder,
              const EncoderParameters* encoderParams = nullptr);
  Status SaveAdd(const EncoderParameters* encoderParams);
  Status SaveAdd(const TGPImage* newImage, const EncoderParameters* encoderParams);
  ImageType GetType();
  // size gets the dimension read (0 by 0 when the call fails).
  Status GetPhysicalDimension(TGPSizeF& size);
  Status GetBounds(TGPRectF& srcRect, Unit_& srcUnit);  // srcUnit cleared first
  UINT GetWidth();
  UINT GetHeight();
  REAL GetHorizontalResolution();
  REAL GetVerticalResolution();
  UINT GetFlags();
  Status GetRawFormat(GUID& format);
  PixelFormat GetPixelFormat();
  INT GetPaletteSize();
  Status GetPalette(ColorPalette* palette, INT size);
  Status SetPalette(const ColorPalette* palette);
  std::unique_ptr<TGPImage> GetThumbnailImage(UINT thumbWidth, UINT thumbHeight,
                                              ImageAbort callback = nullptr,
                                              void* callbackData = nullptr);
  UINT GetFrameDimensionsCount();
  Status GetFrameDimensionsList(GUID* dimensionIDs, UINT count);
  UINT GetFrameCount(const GUID& dimensionID);
  Status SelectActiveFrame(const GUID& dimensionID, UINT frameIndex);
  Status RotateFlip(RotateFlipType rotateFlipType);
  UINT GetPropertyCount();
  Status GetPropertyIdList(UINT numOfProperty, PROPID* list);
  UINT GetPropertyItemSize(PROPID propId);
  Status GetPropertyItem(PROPID propId, UINT propSize, PropertyItem* buffer);
  Status GetPropertySize(UINT& totalBufferSize, UINT& numProperties);  // both cleared first
  Status GetAllPropertyItems(UINT totalBufferSize, UINT numProperties, PropertyItem* allItems);
  Status RemovePropertyItem(PROPID propId);
  Status SetPropertyItem(const PropertyItem* item);
  UINT GetEncoderParameterListSize(const CLSID& clsidEncoder);
  Status GetEncoderParameterList(const CLSID& clsidEncoder, UINT size, EncoderParameters* buffer);
  Status GetLastStatus();

 protected:
  TGPImage() = default;  // for bitmaps: null handle, status Ok
  GpImage* nativeImage = nullptr;
  Status lastResult = Ok;
  Status loadStatus = Ok;  // kept for the record layout; nothing sets it
  Status SetStatus(Status status);
  KIT_GP_FRIENDS;
};

class TGPBitmap : public TGPImage {
 public:
  explicit TGPBitmap(const QString& filename, bool useEmbeddedColorManagement = false);
  explicit TGPBitmap(TStream* stream, bool useEmbeddedColorManagement = false);
  // Over the caller's pixels, which must outlive the bitmap.
  TGPBitmap(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0);
  TGPBitmap(INT width, INT height, PixelFormat format = PixelFormat32bppARGB);
  TGPBitmap(INT width, INT height, const TGPGraphics* target);  // target must not be null
  TGPBitmap(const BITMAPINFO* gdiBitmapInfo, void* gdiBitmapData);
  TGPBitmap(HBITMAP hbm, HPALETTE hpal);
  explicit TGPBitmap(HICON hicon);
  TGPBitmap(HINSTANCE hInstance, const QString& bitmapName);
  explicit TGPBitmap(GpBitmap* nativeBitmap);  // wraps, status Ok

  static std::unique_ptr<TGPBitmap> FromFile(const QString& filename,
                                             bool useEmbeddedColorManagement = false);
  static std::unique_ptr<TGPBitmap> FromStream(TStream* stream,
                                               bool useEmbeddedColorManagement = false);
  static std::unique_ptr<TGPBitmap> FromBITMAPINFO(const BITMAPINFO* gdiBitmapInfo,
                                                   void* gdiBitmapData);
  static std::unique_ptr<TGPBitmap> FromHBITMAP(HBITMAP hbm, HPALETTE hpal);
  static std::unique_ptr<TGPBitmap> FromHICON(HICON hicon);
  static std::unique_ptr<TGPBitmap> FromResource(HINSTANCE hInstance, const QString& bitmapName);

  using TGPImage::Clone;
  // Integer areas store the clone's status whatever it is; float areas
  // record it. Both answer null unless the status field is then Ok.
  std::unique_ptr<TGPBitmap> Clone(const TGPRect& rect, PixelFormat format);
  std::unique_ptr<TGPBitmap> Clone(INT x, INT y, INT width, INT height, PixelFormat format);
  std::unique_ptr<TGPBitmap> Clone(const TGPRectF& rect, PixelFormat format);
  std::unique_ptr<TGPBitmap> Clone(REAL x, REAL y, REAL width, REAL height, PixelFormat format);

  Status LockBits(const TGPRect& rect, UINT flags, PixelFormat format,
                  BitmapData& lockedBitmapData);
  Status UnlockBits(BitmapData& lockedBitmapData);
  Status GetPixel(INT x, INT y, ARGB& color);  // color cleared first
  Status SetPixel(INT x, INT y, ARGB color);
  Status SetResolution(REAL xdpi, REAL ydpi);
  // A bitmap of the platform layer the caller deletes.
  Status GetHBITMAP(ARGB colorBackground, HBITMAP& hbmReturn);
  Status GetHICON(HICON& hicon);
};

class TGPCachedBitmap : public TGdiplusBase {
 public:
  // Neither argument may be null.
  TGPCachedBitmap(const TGPBitmap* bitmap, const TGPGraphics* graphics);
  ~TGPCachedBitmap() override;
  Status GetLastStatus();

 protected:
  GpCachedBitmap* nativeCachedBitmap = nullptr;
  Status lastResult = Ok;
  KIT_GP_FRIENDS;
};

// ---------------------------------------------------------------------------
// Font families, fonts and font collections

class TGPFontFamily : public TGdiplusBase {
 public:
  TGPFontFamily();  // empty
  // fontCollection null allowed. A name the system has no font for leaves a
  // null handle and FontFamilyNotFound.
  explicit TGPFontFamily(const QString& name, const TGPFontCollection* fontCollection = nullptr);
  TGPFontFamily(GpFontFamily* nativeOrig, Status status);  // wraps
  ~TGPFontFamily() override;

  // Shared families, created on first request and freed by the unit's end;
  // callers never free them.
  static TGPFontFamily* GenericSansSerif();
  static TGPFontFamily* GenericSerif();
  static TGPFontFamily* GenericMonospace();

  // name: emptied, then at most 32 characters.
  Status GetFamilyName(QString& name, LANGID language = 0);
  std::unique_ptr<TGPFontFamily> Clone();  // always; status copied
  bool IsAvailable() const { return nativeFamily != nullptr; }
  bool IsStyleAvailable(INT style);
  UINT16 GetEmHeight(INT style);
  UINT16 GetCellAscent(INT style);
  UINT16 GetCellDescent(INT style);
  UINT16 GetLineSpacing(INT style);
  Status GetLastStatus();

 protected:
  GpFontFamily* nativeFamily = nullptr;
  Status lastResult = Ok;
  Status SetStatus(Status status);
  void Replace(GpFontFamily* family);
  KIT_GP_FRIENDS;
};

class TGPFont : public TGdiplusBase {
 public:
  // The font selected into the device context of the platform layer.
  explicit TGPFont(HDC hdc);
  // logfont null: the DC's font.
  TGPFont(HDC hdc, const LOGFONTA* logfont);
  TGPFont(HDC hdc, const LOGFONTW* logfont);
  // hfont null or unreadable: the DC's font.
  TGPFont(HDC hdc, HFONT hfont);
  // family null allowed.
  TGPFont(const TGPFontFamily* family, REAL emSize, INT style = FontStyleRegular,
          Unit_ unit_ = UnitPoint);
  // By family name; an unknown family falls back to the generic sans-serif
  // family (the status then stays Ok).
  TGPFont(const QString& familyName, REAL emSize, INT style = FontStyleRegular,
          Unit_ unit_ = UnitPoint, const TGPFontCollection* fontCollection = nullptr);
  TGPFont(GpFont* font, Status status);  // wraps
  ~TGPFont() override;

  // g null allowed. lfHeight is cleared first.
  Status GetLogFontA(const TGPGraphics* g, LOGFONTA* logfontA);
  Status GetLogFontW(const TGPGraphics* g, LOGFONTW* logfontW);
  std::unique_ptr<TGPFont> Clone();  // always; status copied
  bool IsAvailable() const { return nativeFont != nullptr; }
  INT GetStyle();
  REAL GetSize();
  Unit_ GetUnit();
  REAL GetHeight(const TGPGraphics* graphics);  // graphics null allowed
  REAL GetHeight(REAL dpi);
  // Puts the font's family into family (normally an empty one); a family it
  // held before is deleted. The status goes to both. family null:
  // InvalidParameter.
  Status GetFamily(TGPFontFamily* family);
  Status GetLastStatus();  // does not reset

 protected:
  GpFont* nativeFont = nullptr;
  Status lastResult = Ok;
  Status SetStatus(Status status);
  void CreateFromDC(HDC hdc);
  KIT_GP_FRIENDS;
};

// No operation of the binding creates a native collection: the handle stays
// null, and a collection passed to a family or font acts as no collection.
class TGPFontCollection : public TGdiplusBase {
 public:
  TGPFontCollection() = default;
  ~TGPFontCollection() override = default;  // deletes nothing

  INT GetFamilyCount();
  // Fills the first numFound entries of gpfamilies (existing families,
  // normally empty ones) with the collection's families. numSought below 1,
  // or larger than gpfamilies: InvalidParameter. Null entries are skipped.
  Status GetFamilies(INT numSought, std::span<TGPFontFamily* const> gpfamilies, INT& numFound);
  Status GetLastStatus();  // does not reset

 protected:
  GpFontCollection* nativeFontCollection = nullptr;
  Status lastResult = Ok;
  Status SetStatus(Status status);  // stores every status
  KIT_GP_FRIENDS;
};

// ---------------------------------------------------------------------------
// Paths

class TGPGraphicsPath : public TGdiplusBase {
 public:
  explicit TGPGraphicsPath(FillMode fillMode = FillModeAlternate);
  TGPGraphicsPath(const TGPPointF* points, const BYTE* types, INT count,
                  FillMode fillMode = FillModeAlternate);
  TGPGraphicsPath(const TGPPoint* points, const BYTE* types, INT count,
                  FillMode fillMode = FillModeAlternate);
  explicit TGPGraphicsPath(const TGPGraphicsPath* path);  // a copy; path must not be null
  explicit TGPGraphicsPath(GpPath* nativePath);  // wraps, status Ok
  ~TGPGraphicsPath() override;

  std::unique_ptr<TGPGraphicsPath> Clone();  // status Ok
  Status Reset();
  Status SetFillMode(FillMode fillmode);
  FillMode GetFillMode();  // FillModeAlternate when the call fails
  // Fills pathData with the path's points and types (see the note in the
  // source file); Count becomes the number of points delivered.
  Status GetPathData(TPathData* pathData);
  Status StartFigure();
  Status CloseFigure();
  Status CloseAllFigures();
  Status SetMarker();
  Status ClearMarkers();
  Status Reverse();
  Status GetLastPoint(TGPPointF& lastPoint);

  Status AddLine(const TGPPointF& pt1, const TGPPointF& pt2);
  Status AddLine(REAL x1, REAL y1, REAL x2, REAL y2);
  Status AddLine(const TGPPoint& pt1, const TGPPoint& pt2);
  Status AddLine(INT x1, INT y1, INT x2, INT y2);
  Status AddLines(const TGPPointF* points, INT count);
  Status AddLines(const TGPPoint* points, INT count);
  Status AddArc(const TGPRectF& rect, REAL startAngle, REAL sweepAngle);
  Status AddArc(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
  Status AddArc(const TGPRect& rect, REAL startAngle, REAL sweepAngle);
  Status AddArc(INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle);
  Status AddBezier(const TGPPointF& pt1, const TGPPointF& pt2, const TGPPointF& pt3,
                   const TGPPointF& pt4);
  Status AddBezier(REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4, REAL y4);
  Status AddBezier(const TGPPoint& pt1, const TGPPoint& pt2, const TGPPoint& pt3,
                   const TGPPoint& pt4);
  Status AddBezier(INT x1, INT y1, INT x2, INT y2, INT x3, INT y3, INT x4, INT y4);
  Status AddBeziers(const TGPPointF* points, INT count);
  Status AddBeziers(const TGPPoint* points, INT count);
  Status AddCurve(const TGPPointF* points, INT count);
  Status AddCurve(const TGPPointF* points, INT count, REAL tension);
  Status AddCurve(const TGPPointF* points, INT count, INT offset, INT numberOfSegments,
                  REAL tension);
  Status AddCurve(const TGPPoint* points, INT count);
  Status AddCurve(const TGPPoint* points, INT count, REAL tension);
  Status AddCurve(const TGPPoint* points, INT count, INT offset, INT numberOfSegments,
                  REAL tension);
  Status AddClosedCurve(const TGPPointF* points, INT count);
  Status AddClosedCurve(const TGPPointF* points, INT count, REAL tension);
  Status AddClosedCurve(const TGPPoint* points, INT count);
  Status AddClosedCurve(const TGPPoint* points, INT count, REAL tension);
  Status AddRectangle(const TGPRectF& rect);
  Status AddRectangle(const TGPRect& rect);
  Status AddRectangles(const TGPRectF* rects, INT count);
  Status AddRectangles(const TGPRect* rects, INT count);
  Status AddEllipse(const TGPRectF& rect);
  Status AddEllipse(REAL x, REAL y, REAL width, REAL height);
  Status AddEllipse(const TGPRect& rect);
  Status AddEllipse(INT x, INT y, INT width, INT height);
  Status AddPie(const TGPRectF& rect, REAL startAngle, REAL sweepAngle);
  Status AddPie(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
  Status AddPie(const TGPRect& rect, REAL startAngle, REAL sweepAngle);
  Status AddPie(INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle);
  Status AddPolygon(const TGPPointF* points, INT count);
  Status AddPolygon(const TGPPoint* points, INT count);
  Status AddPath(const TGPGraphicsPath* addingPath, bool connect);  // null allowed
  // family and format null allowed.
  Status AddString(const QString& string_, INT length, const TGPFontFamily* family, INT style,
                   REAL emSize, const TGPPointF& origin, const TGPStringFormat* format);
  Status AddString(const QString& string_, INT length, const TGPFontFamily* family, INT style,
                   REAL emSize, const TGPRectF& layoutRect, const TGPStringFormat* format);
  Status AddString(const QString& string_, INT length, const TGPFontFamily* family, INT style,
                   REAL emSize, const TGPPoint& origin, const TGPStringFormat* format);
  Status AddString(const QString& string_, INT length, const TGPFontFamily* family, INT style,
                   REAL emSize, const TGPRect& layoutRect, const TGPStringFormat* format);

  Status Transform(const TGPMatrix* matrix);  // null: Ok, nothing happens
  // matrix and pen null allowed.
  Status GetBounds(TGPRectF& bounds, const TGPMatrix* matrix = nullptr,
                   const TGPPen* pen = nullptr);
  Status GetBounds(TGPRect& bounds, const TGPMatrix* matrix = nullptr,
                   const TGPPen* pen = nullptr);
  // matrix null allowed in these four; Widen's pen must not be null.
  Status Flatten(const TGPMatrix* matrix = nullptr, REAL flatness = FlatnessDefault);
  Status Widen(const TGPPen* pen, const TGPMatrix* matrix = nullptr,
               REAL flatness = FlatnessDefault);
  Status Outline(const TGPMatrix* matrix = nullptr, REAL flatness = FlatnessDefault);
  Status Warp(const TGPPointF* destPoints, INT count, const TGPRectF& srcRect,
              const TGPMatrix* matrix = nullptr, WarpMode warpMode = WarpModePerspective,
              REAL flatness = FlatnessDefault);
  INT GetPointCount();
  // count: the size of the caller's array; smaller than the path answers
  // InsufficientBuffer.
  Status GetPathTypes(BYTE* types, INT count);
  Status GetPathPoints(TGPPointF* points, INT count);
  Status GetPathPoints(TGPPoint* points, INT count);
  // pen and g null allowed.
  bool IsVisible(const TGPPointF& point, const TGPGraphics* g = nullptr);
  bool IsVisible(REAL x, REAL y, const TGPGraphics* g = nullptr);
  bool IsVisible(const TGPPoint& point, const TGPGraphics* g = nullptr);
  bool IsVisible(INT x, INT y, const TGPGraphics* g = nullptr);
  bool IsOutlineVisible(const TGPPointF& point, const TGPPen* pen,
                        const TGPGraphics* g = nullptr);
  bool IsOutlineVisible(REAL x, REAL y, const TGPPen* pen, const TGPGraphics* g = nullptr);
  bool IsOutlineVisible(const TGPPoint& point, const TGPPen* pen, const TGPGraphics* g = nullptr);
  bool IsOutlineVisible(INT x, INT y, const TGPPen* pen, const TGPGraphics* g = nullptr);
  Status GetLastStatus();

 protected:
  GpPath* nativePath = nullptr;
  Status lastResult = Ok;
  Status SetStatus(Status status);
  KIT_GP_FRIENDS;
};

// ---------------------------------------------------------------------------
// Graphics

class TGPGraphics : public TGdiplusBase {
 public:
  // A device context of the platform layer: the graphics draws into the
  // DC's image, with its origin and clip.
  explicit TGPGraphics(HDC hdc);
  TGPGraphics(HDC hdc, HANDLE hdevice);
  TGPGraphics(HWND hwnd, bool icm);
  // image null: no call, a null handle and status Ok.
  explicit TGPGraphics(const TGPImage* image);
  ~TGPGraphics() override;

  static std::unique_ptr<TGPGraphics> FromHDC(HDC hdc);
  static std::unique_ptr<TGPGraphics> FromHDC(HDC hdc, HANDLE hdevice);
  static std::unique_ptr<TGPGraphics> FromHWND(HWND hwnd, bool icm = false);
  static std::unique_ptr<TGPGraphics> FromImage(const TGPImage* image);

  void Flush(FlushIntention intention = FlushIntentionFlush);  // status discarded
  // A device context of the platform layer over the same pixels, valid until
  // ReleaseHDC; null when the graphics has none.
  HDC GetHDC();
  void ReleaseHDC(HDC hdc);

  Status SetRenderingOrigin(INT x, INT y);
  Status GetRenderingOrigin(INT& x, INT& y);  // both cleared first
  Status SetCompositingMode(CompositingMode compositingMode);
  CompositingMode GetCompositingMode();
  Status SetCompositingQuality(INT compositingQuality);
  INT GetCompositingQuality();
  Status SetTextRenderingHint(TextRenderingHint newMode);
  TextRenderingHint GetTextRenderingHint();
  Status SetTextContrast(UINT contrast);
  UINT GetTextContrast();
  Status SetInterpolationMode(INT interpolationMode);
  INT GetInterpolationMode();  // InterpolationModeInvalid when the call fails
  Status SetSmoothingMode(INT smoothingMode);
  INT GetSmoothingMode();  // SmoothingModeInvalid when the call fails
  Status SetPixelOffsetMode(INT pixelOffsetMode);
  INT GetPixelOffsetMode();  // PixelOffsetModeInvalid when the call fails

  Status SetTransform(const TGPMatrix* matrix);
  Status ResetTransform();
  Status MultiplyTransform(const TGPMatrix* matrix, MatrixOrder order = MatrixOrderPrepend);
  Status TranslateTransform(REAL dx, REAL dy, MatrixOrder order = MatrixOrderPrepend);
  Status ScaleTransform(REAL sx, REAL sy, MatrixOrder order = MatrixOrderPrepend);
  Status RotateTransform(REAL angle, MatrixOrder order = MatrixOrderPrepend);
  Status GetTransform(TGPMatrix* matrix);
  Status SetPageUnit(Unit_ unit_);
  Status SetPageScale(REAL scale);
  Unit_ GetPageUnit();
  REAL GetPageScale();
  REAL GetDpiX();
  REAL GetDpiY();
  Status TransformPoints(CoordinateSpace destSpace, CoordinateSpace srcSpace, TGPPointF* pts,
                         INT count);
  Status TransformPoints(CoordinateSpace destSpace, CoordinateSpace srcSpace, TGPPoint* pts,
                         INT count);
  Status GetNearestColor(ARGB& color);

  // Pens and brushes must not be null unless marked.
  Status DrawLine(const TGPPen* pen, REAL x1, REAL y1, REAL x2, REAL y2);
  Status DrawLine(const TGPPen* pen, const TGPPointF& pt1, const TGPPointF& pt2);
  Status DrawLine(const TGPPen* pen, INT x1, INT y1, INT x2, INT y2);
  Status DrawLine(const TGPPen* pen, const TGPPoint& pt1, const TGPPoint& pt2);
  Status DrawLines(const TGPPen* pen, const TGPPointF* points, INT count);
  Status DrawLines(const TGPPen* pen, const TGPPoint* points, INT count);
  Status DrawArc(const TGPPen* pen, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                 REAL sweepAngle);
  Status DrawArc(const TGPPen* pen, const TGPRectF& rect, REAL startAngle, REAL sweepAngle);
  Status DrawArc(const TGPPen* pen, INT x, INT y, INT width, INT height, REAL startAngle,
                 REAL sweepAngle);
  Status DrawArc(const TGPPen* pen, const TGPRect& rect, REAL startAngle, REAL sweepAngle);
  Status DrawBezier(const TGPPen* pen, REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3,
                    REAL x4, REAL y4);
  Status DrawBezier(const TGPPen* pen, const TGPPointF& pt1, const TGPPointF& pt2,
                    const TGPPointF& pt3, const TGPPointF& pt4);
  Status DrawBezier(const TGPPen* pen, INT x1, INT y1, INT x2, INT y2, INT x3, INT y3, INT x4,
                    INT y4);
  Status DrawBezier(const TGPPen* pen, const TGPPoint& pt1, const TGPPoint& pt2,
                    const TGPPoint& pt3, const TGPPoint& pt4);
  Status DrawBeziers(const TGPPen* pen, const TGPPointF* points, INT count);
  Status DrawBeziers(const TGPPen* pen, const TGPPoint* points, INT count);
  Status DrawRectangle(const TGPPen* pen, const TGPRectF& rect);
  Status DrawRectangle(const TGPPen* pen, REAL x, REAL y, REAL width, REAL height);
  Status DrawRectangle(const TGPPen* pen, const TGPRect& rect);
  Status DrawRectangle(const TGPPen* pen, INT x, INT y, INT width, INT height);
  Status DrawRectangles(const TGPPen* pen, const TGPRectF* rects, INT count);
  Status DrawRectangles(const TGPPen* pen, const TGPRect* rects, INT count);
  Status DrawEllipse(const TGPPen* pen, const TGPRectF& rect);
  Status DrawEllipse(const TGPPen* pen, REAL x, REAL y, REAL width, REAL height);
  Status DrawEllipse(const TGPPen* pen, const TGPRect& rect);
  Status DrawEllipse(const TGPPen* pen, INT x, INT y, INT width, INT height);
  Status DrawPie(const TGPPen* pen, const TGPRectF& rect, REAL startAngle, REAL sweepAngle);
  Status DrawPie(const TGPPen* pen, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                 REAL sweepAngle);
  Status DrawPie(const TGPPen* pen, const TGPRect& rect, REAL startAngle, REAL sweepAngle);
  Status DrawPie(const TGPPen* pen, INT x, INT y, INT width, INT height, REAL startAngle,
                 REAL sweepAngle);
  Status DrawPolygon(const TGPPen* pen, const TGPPointF* points, INT count);
  Status DrawPolygon(const TGPPen* pen, const TGPPoint* points, INT count);
  Status DrawPath(const TGPPen* pen, const TGPGraphicsPath* path);  // both null allowed
  Status DrawCurve(const TGPPen* pen, const TGPPointF* points, INT count);
  Status DrawCurve(const TGPPen* pen, const TGPPointF* points, INT count, REAL tension);
  Status DrawCurve(const TGPPen* pen, const TGPPointF* points, INT count, INT offset,
                   INT numberOfSegments, REAL tension);
  Status DrawCurve(const TGPPen* pen, const TGPPoint* points, INT count);
  Status DrawCurve(const TGPPen* pen, const TGPPoint* points, INT count, REAL tension);
  Status DrawCurve(const TGPPen* pen, const TGPPoint* points, INT count, INT offset,
                   INT numberOfSegments, REAL tension);
  Status DrawClosedCurve(const TGPPen* pen, const TGPPointF* points, INT count);
  Status DrawClosedCurve(const TGPPen* pen, const TGPPointF* points, INT count, REAL tension);
  Status DrawClosedCurve(const TGPPen* pen, const TGPPoint* points, INT count);
  Status DrawClosedCurve(const TGPPen* pen, const TGPPoint* points, INT count, REAL tension);
  Status Clear(ARGB color);

  Status FillRectangle(const TGPBrush* brush, const TGPRectF& rect);
  Status FillRectangle(const TGPBrush* brush, REAL x, REAL y, REAL width, REAL height);
  Status FillRectangle(const TGPBrush* brush, const TGPRect& rect);
  Status FillRectangle(const TGPBrush* brush, INT x, INT y, INT width, INT height);
  Status FillRectangles(const TGPBrush* brush, const TGPRectF* rects, INT count);
  Status FillRectangles(const TGPBrush* brush, const TGPRect* rects, INT count);
  Status FillPolygon(const TGPBrush* brush, const TGPPointF* points, INT count);
  Status FillPolygon(const TGPBrush* brush, const TGPPointF* points, INT count,
                     FillMode fillMode);
  Status FillPolygon(const TGPBrush* brush, const TGPPoint* points, INT count);
  Status FillPolygon(const TGPBrush* brush, const TGPPoint* points, INT count, FillMode fillMode);
  Status FillEllipse(const TGPBrush* brush, const TGPRectF& rect);
  Status FillEllipse(const TGPBrush* brush, REAL x, REAL y, REAL width, REAL height);
  Status FillEllipse(const TGPBrush* brush, const TGPRect& rect);
  Status FillEllipse(const TGPBrush* brush, INT x, INT y, INT width, INT height);
  Status FillPie(const TGPBrush* brush, const TGPRectF& rect, REAL startAngle, REAL sweepAngle);
  Status FillPie(const TGPBrush* brush, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                 REAL sweepAngle);
  Status FillPie(const TGPBrush* brush, const TGPRect& rect, REAL startAngle, REAL sweepAngle);
  Status FillPie(const TGPBrush* brush, INT x, INT y, INT width, INT height, REAL startAngle,
                 REAL sweepAngle);
  Status FillPath(const TGPBrush* brush, const TGPGraphicsPath* path);
  Status FillClosedCurve(const TGPBrush* brush, const TGPPointF* points, INT count);
  Status FillClosedCurve(const TGPBrush* brush, const TGPPointF* points, INT count,
                         FillMode fillMode, REAL tension);
  Status FillClosedCurve(const TGPBrush* brush, const TGPPoint* points, INT count);
  Status FillClosedCurve(const TGPBrush* brush, const TGPPoint* points, INT count,
                         FillMode fillMode, REAL tension);
  Status FillRegion(const TGPBrush* brush, const TGPRegion* region);

  // Text: font, stringFormat and brush null allowed. A length below 0 or
  // beyond the text means the whole text.
  Status DrawString(const QString& string_, const TGPFont* font, const TGPRectF& layoutRect,
                    const TGPStringFormat* stringFormat, const TGPBrush* brush);
  Status DrawString(const QString& string_, INT length, const TGPFont* font,
                    const TGPRectF& layoutRect, const TGPStringFormat* stringFormat,
                    const TGPBrush* brush);
  Status DrawString(const QString& string_, INT length, const TGPFont* font,
                    const TGPPointF& origin, const TGPBrush* brush);
  Status DrawString(const QString& string_, INT length, const TGPFont* font,
                    const TGPPointF& origin, const TGPStringFormat* stringFormat,
                    const TGPBrush* brush);
  Status MeasureString(const QString& string_, INT length, const TGPFont* font,
                       const TGPRectF& layoutRect, const TGPStringFormat* stringFormat,
                       TGPRectF& boundingBox, INT* codepointsFitted = nullptr,
                       INT* linesFilled = nullptr);
  // size is set only when the call succeeds.
  Status MeasureString(const QString& string_, INT length, const TGPFont* font,
                       const TGPSizeF& layoutRectSize, const TGPStringFormat* stringFormat,
                       TGPSizeF& size, INT* codepointsFitted = nullptr,
                       INT* linesFilled = nullptr);
  Status MeasureString(const QString& string_, INT length, const TGPFont* font,
                       const TGPPointF& origin, const TGPStringFormat* stringFormat,
                       TGPRectF& boundingBox);
  Status MeasureString(const QString& string_, INT length, const TGPFont* font,
                       const TGPRectF& layoutRect, TGPRectF& boundingBox);
  Status MeasureString(const QString& string_, INT length, const TGPFont* font,
                       const TGPPointF& origin, TGPRectF& boundingBox);
  // Fills regions[0 .. regionCount - 1], one per character range of the
  // format. regionCount of 0 or less, beyond regions, or a null region among
  // them: InvalidParameter, returned without being recorded and without a
  // call.
  Status MeasureCharacterRanges(const QString& string_, INT length, const TGPFont* font,
                                const TGPRectF& layoutRect, const TGPStringFormat* stringFormat,
                                INT regionCount, std::span<TGPRegion* const> regions);
  // font, brush and matrix null allowed.
  Status DrawDriverString(const UINT16* text, INT length, const TGPFont* font,
                          const TGPBrush* brush, const TGPPointF* positions, INT flags,
                          const TGPMatrix* matrix);
  Status MeasureDriverString(const UINT16* text, INT length, const TGPFont* font,
                             const TGPPointF* positions, INT flags, const TGPMatrix* matrix,
                             TGPRectF& boundingBox);

  // Images: image and imageAttributes null allowed.
  Status DrawCachedBitmap(const TGPCachedBitmap* cb, INT x, INT y);  // cb must not be null
  Status DrawImage(const TGPImage* image, const TGPPointF& point);
  Status DrawImage(const TGPImage* image, REAL x, REAL y);
  Status DrawImage(const TGPImage* image, const TGPPoint& point);
  Status DrawImage(const TGPImage* image, INT x, INT y);
  Status DrawImage(const TGPImage* image, const TGPRectF& rect);
  Status DrawImage(const TGPImage* image, REAL x, REAL y, REAL width, REAL height);
  Status DrawImage(const TGPImage* image, const TGPRect& rect);
  Status DrawImage(const TGPImage* image, INT x, INT y, INT width, INT height);
  // count 3 or 4 (destPoints not null), else InvalidParameter without a call.
  Status DrawImage(const TGPImage* image, const TGPPointF* destPoints, INT count);
  Status DrawImage(const TGPImage* image, const TGPPoint* destPoints, INT count);
  Status DrawImage(const TGPImage* image, REAL x, REAL y, REAL srcx, REAL srcy, REAL srcwidth,
                   REAL srcheight, Unit_ srcUnit);
  Status DrawImage(const TGPImage* image, INT x, INT y, INT srcx, INT srcy, INT srcwidth,
                   INT srcheight, Unit_ srcUnit);
  Status DrawImage(const TGPImage* image, const TGPRectF& destRect, REAL srcx, REAL srcy,
                   REAL srcwidth, REAL srcheight, Unit_ srcUnit,
                   const TGPImageAttributes* imageAttributes = nullptr,
                   ImageAbort callback = nullptr, void* callbackData = nullptr);
  Status DrawImage(const TGPImage* image, const TGPRect& destRect, INT srcx, INT srcy,
                   INT srcwidth, INT srcheight, Unit_ srcUnit,
                   const TGPImageAttributes* imageAttributes = nullptr,
                   ImageAbort callback = nullptr, void* callbackData = nullptr);
  Status DrawImage(const TGPImage* image, const TGPPointF* destPoints, INT count, REAL srcx,
                   REAL srcy, REAL srcwidth, REAL srcheight, Unit_ srcUnit,
                   const TGPImageAttributes* imageAttributes = nullptr,
                   ImageAbort callback = nullptr, void* callbackData = nullptr);
  Status DrawImage(const TGPImage* image, const TGPPoint* destPoints, INT count, INT srcx,
                   INT srcy, INT srcwidth, INT srcheight, Unit_ srcUnit,
                   const TGPImageAttributes* imageAttributes = nullptr,
                   ImageAbort callback = nullptr, void* callbackData = nullptr);

  // Clipping; the graphics, path and region arguments must not be null.
  Status SetClip(const TGPGraphics* g, CombineMode combineMode = CombineModeReplace);
  Status SetClip(const TGPRectF& rect, CombineMode combineMode = CombineModeReplace);
  Status SetClip(const TGPRect& rect, CombineMode combineMode = CombineModeReplace);
  Status SetClip(const TGPGraphicsPath* path, CombineMode combineMode = CombineModeReplace);
  Status SetClip(const TGPRegion* region, CombineMode combineMode = CombineModeReplace);
  Status SetClip(HRGN hRgn, CombineMode combineMode = CombineModeReplace);
  Status IntersectClip(const TGPRectF& rect);
  Status IntersectClip(const TGPRect& rect);
  Status IntersectClip(const TGPRegion* region);
  Status ExcludeClip(const TGPRectF& rect);
  Status ExcludeClip(const TGPRect& rect);
  Status ExcludeClip(const TGPRegion* region);
  Status ResetClip();
  Status TranslateClip(REAL dx, REAL dy);
  Status TranslateClip(INT dx, INT dy);
  Status GetClip(TGPRegion* region);
  Status GetClipBounds(TGPRectF& rect);
  Status GetClipBounds(TGPRect& rect);
  bool IsClipEmpty();
  Status GetVisibleClipBounds(TGPRectF& rect);
  Status GetVisibleClipBounds(TGPRect& rect);
  bool IsVisibleClipEmpty();
  bool IsVisible(INT x, INT y);  // false when the call fails
  bool IsVisible(const TGPPoint& point);
  bool IsVisible(REAL x, REAL y);
  bool IsVisible(const TGPPointF& point);
  bool IsVisible(INT x, INT y, INT width, INT height);  // true when the call fails
  bool IsVisible(const TGPRect& rect);
  bool IsVisible(REAL x, REAL y, REAL width, REAL height);
  bool IsVisible(const TGPRectF& rect);

  GraphicsState Save();
  Status Restore(GraphicsState gstate);
  GraphicsContainer BeginContainer(const TGPRectF& dstrect, const TGPRectF& srcrect, Unit_ unit_);
  GraphicsContainer BeginContainer(const TGPRect& dstrect, const TGPRect& srcrect, Unit_ unit_);
  GraphicsContainer BeginContainer();
  Status EndContainer(GraphicsContainer state);
  Status AddMetafileComment(const BYTE* data, UINT sizeData);
  Status GetLastStatus();

 protected:
  GpGraphics* nativeGraphics = nullptr;
  Status lastResult = Ok;
  Status SetStatus(Status status);
  KIT_GP_FRIENDS;
};

#undef KIT_GP_FRIENDS

}  // namespace KitGDIPlusClasses
