// Pens and brushes of the run-time GDI+ binding.

#include "foundation/KitGDIPlusClasses.h"

#include "foundation/KitGDIPlusClassesCall.h"

namespace KitGDIPlusClasses {

using detail::CheckBuffer;
using detail::Flat;
using detail::Native;
using detail::ToBOOL;


// ---------------------------------------------------------------------------
// TGPPen

Status TGPPen::SetStatus(Status status) {
  if (status != Ok) lastResult = status;
  return status;
}

TGPPen::TGPPen(ARGB color, REAL width) {
  lastResult = Flat(GdipCreatePen1, color, width, UnitWorld, &nativePen);
}

TGPPen::TGPPen(const TGPBrush* brush, REAL width) {
  lastResult = brush ? Flat(GdipCreatePen2, Native::Of(brush), width, UnitWorld, &nativePen)
                     : InvalidParameter;
}

TGPPen::TGPPen(GpPen* nativePen, Status status) : nativePen(nativePen), lastResult(status) {}

TGPPen::~TGPPen() { Flat(GdipDeletePen, nativePen); }

std::unique_ptr<TGPPen> TGPPen::Clone() {
  GpPen* clone = nullptr;
  lastResult = Flat(GdipClonePen, nativePen, &clone);
  return std::make_unique<TGPPen>(clone, lastResult);
}

Status TGPPen::SetWidth(REAL width) { return SetStatus(Flat(GdipSetPenWidth, nativePen, width)); }

REAL TGPPen::GetWidth() {
  REAL width = 0;
  SetStatus(Flat(GdipGetPenWidth, nativePen, &width));
  return width;
}

Status TGPPen::SetLineCap(TLineCap startCap, TLineCap endCap, TDashCap dashCap) {
  return SetStatus(Flat(GdipSetPenLineCap197819, nativePen, startCap, endCap, dashCap));
}

Status TGPPen::SetStartCap(TLineCap startCap) {
  return SetStatus(Flat(GdipSetPenStartCap, nativePen, startCap));
}

Status TGPPen::SetEndCap(TLineCap endCap) {
  return SetStatus(Flat(GdipSetPenEndCap, nativePen, endCap));
}

Status TGPPen::SetDashCap(TDashCap dashCap) {
  return SetStatus(Flat(GdipSetPenDashCap197819, nativePen, dashCap));
}

TLineCap TGPPen::GetStartCap() {
  TLineCap cap = LineCapFlat;
  SetStatus(Flat(GdipGetPenStartCap, nativePen, &cap));
  return cap;
}

TLineCap TGPPen::GetEndCap() {
  TLineCap cap = LineCapFlat;
  SetStatus(Flat(GdipGetPenEndCap, nativePen, &cap));
  return cap;
}

TDashCap TGPPen::GetDashCap() {
  TDashCap cap = DashCapFlat;
  SetStatus(Flat(GdipGetPenDashCap197819, nativePen, &cap));
  return cap;
}

Status TGPPen::SetLineJoin(LineJoin lineJoin) {
  return SetStatus(Flat(GdipSetPenLineJoin, nativePen, lineJoin));
}

LineJoin TGPPen::GetLineJoin() {
  LineJoin join = LineJoinMiter;
  SetStatus(Flat(GdipGetPenLineJoin, nativePen, &join));
  return join;
}

Status TGPPen::SetMiterLimit(REAL miterLimit) {
  return SetStatus(Flat(GdipSetPenMiterLimit, nativePen, miterLimit));
}

REAL TGPPen::GetMiterLimit() {
  REAL limit = 0;
  SetStatus(Flat(GdipGetPenMiterLimit, nativePen, &limit));
  return limit;
}

Status TGPPen::SetAlignment(PenAlignment penAlignment) {
  return SetStatus(Flat(GdipSetPenMode, nativePen, penAlignment));
}

PenAlignment TGPPen::GetAlignment() {
  PenAlignment alignment = PenAlignmentCenter;
  SetStatus(Flat(GdipGetPenMode, nativePen, &alignment));
  return alignment;
}

Status TGPPen::SetCustomStartCap(const TGPCustomLineCap* customCap) {
  return SetStatus(
      Flat(GdipSetPenCustomStartCap, nativePen, Native::Of(customCap)));
}

Status TGPPen::SetCustomEndCap(const TGPCustomLineCap* customCap) {
  return SetStatus(
      Flat(GdipSetPenCustomEndCap, nativePen, Native::Of(customCap)));
}

Status TGPPen::GetCustomCap(TGPCustomLineCap* customCap, bool start) {
  if (!customCap) return SetStatus(InvalidParameter);
  GpCustomLineCap* cap = nullptr;
  const Status status = SetStatus(
      Flat(start ? GdipGetPenCustomStartCap : GdipGetPenCustomEndCap, nativePen, &cap));
  if (status == Ok) Native::Adopt(customCap, cap);  // the library hands out a copy
  return status;
}

Status TGPPen::GetCustomStartCap(TGPCustomLineCap* customCap) {
  return GetCustomCap(customCap, true);
}

Status TGPPen::GetCustomEndCap(TGPCustomLineCap* customCap) {
  return GetCustomCap(customCap, false);
}

Status TGPPen::SetTransform(const TGPMatrix* matrix) {
  if (!matrix) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipSetPenTransform, nativePen, Native::Of(matrix)));
}

Status TGPPen::GetTransform(TGPMatrix* matrix) {
  if (!matrix) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipGetPenTransform, nativePen, Native::Of(matrix)));
}

Status TGPPen::ResetTransform() { return SetStatus(Flat(GdipResetPenTransform, nativePen)); }

Status TGPPen::MultiplyTransform(const TGPMatrix* matrix, MatrixOrder order) {
  if (!matrix) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipMultiplyPenTransform, nativePen, Native::Of(matrix), order));
}

Status TGPPen::TranslateTransform(REAL dx, REAL dy, MatrixOrder order) {
  return SetStatus(Flat(GdipTranslatePenTransform, nativePen, dx, dy, order));
}

Status TGPPen::ScaleTransform(REAL sx, REAL sy, MatrixOrder order) {
  return SetStatus(Flat(GdipScalePenTransform, nativePen, sx, sy, order));
}

Status TGPPen::RotateTransform(REAL angle, MatrixOrder order) {
  return SetStatus(Flat(GdipRotatePenTransform, nativePen, angle, order));
}

TPenType TGPPen::GetPenType() {
  TPenType type = PenTypeUnknown;
  SetStatus(Flat(GdipGetPenFillType, nativePen, &type));
  return type;
}

Status TGPPen::SetColor(ARGB color) { return SetStatus(Flat(GdipSetPenColor, nativePen, color)); }

Status TGPPen::SetBrush(const TGPBrush* brush) {
  if (!brush) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipSetPenBrushFill, nativePen, Native::Of(brush)));
}

Status TGPPen::GetColor(ARGB& color) {
  if (GetPenType() != PenTypeSolidColor) return WrongState;
  ARGB value = 0;
  SetStatus(Flat(GdipGetPenColor, nativePen, &value));
  if (lastResult == Ok) color = value;
  return lastResult;
}

std::unique_ptr<TGPBrush> TGPPen::GetBrush() {
  std::unique_ptr<TGPBrush> brush;
  switch (GetPenType()) {
    case PenTypeSolidColor: brush = std::make_unique<TGPSolidBrush>(); break;
    case PenTypeHatchFill: brush = std::make_unique<TGPHatchBrush>(); break;
    case PenTypeTextureFill: brush = std::make_unique<TGPTextureBrush>(); break;
    case PenTypePathGradient: brush = std::make_unique<TGPBrush>(); break;
    case PenTypeLinearGradient: brush = std::make_unique<TGPLinearGradientBrush>(); break;
    default: return nullptr;
  }
  GpBrush* fill = nullptr;
  SetStatus(Flat(GdipGetPenBrushFill, nativePen, &fill));  // a copy of the pen's fill
  Native::Adopt(brush.get(), fill);
  return brush;
}

DashStyle TGPPen::GetDashStyle() {
  DashStyle style = DashStyleSolid;
  SetStatus(Flat(GdipGetPenDashStyle, nativePen, &style));
  return style;
}

Status TGPPen::SetDashStyle(DashStyle dashStyle) {
  return SetStatus(Flat(GdipSetPenDashStyle, nativePen, dashStyle));
}

REAL TGPPen::GetDashOffset() {
  REAL offset = 0;
  SetStatus(Flat(GdipGetPenDashOffset, nativePen, &offset));
  return offset;
}

Status TGPPen::SetDashOffset(REAL dashOffset) {
  return SetStatus(Flat(GdipSetPenDashOffset, nativePen, dashOffset));
}

Status TGPPen::SetDashPattern(const REAL* dashArray, INT count) {
  if (!dashArray || count <= 0) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipSetPenDashArray, nativePen, dashArray, count));
}

INT TGPPen::GetDashPatternCount() {
  INT count = 0;
  SetStatus(Flat(GdipGetPenDashCount, nativePen, &count));
  return count;
}

Status TGPPen::GetDashPattern(REAL* dashArray, INT count) {
  INT entries = 0;
  const Status status = CheckBuffer(GdipGetPenDashCount, nativePen, dashArray, count, entries);
  if (status != Ok) return SetStatus(status);
  return SetStatus(Flat(GdipGetPenDashArray, nativePen, dashArray, entries));
}

Status TGPPen::SetCompoundArray(const REAL* compoundArray, INT count) {
  if (!compoundArray || count <= 0) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipSetPenCompoundArray, nativePen, compoundArray, count));
}

INT TGPPen::GetCompoundArrayCount() {
  INT count = 0;
  SetStatus(Flat(GdipGetPenCompoundCount, nativePen, &count));
  return count;
}

Status TGPPen::GetCompoundArray(REAL* compoundArray, INT count) {
  INT entries = 0;
  const Status status =
      CheckBuffer(GdipGetPenCompoundCount, nativePen, compoundArray, count, entries);
  if (status != Ok) return SetStatus(status);
  return SetStatus(Flat(GdipGetPenCompoundArray, nativePen, compoundArray, entries));
}

Status TGPPen::GetLastStatus() {
  const Status status = lastResult;
  lastResult = Ok;
  return status;
}

// ---------------------------------------------------------------------------
// TGPBrush

Status TGPBrush::SetStatus(Status status) {
  if (status != Ok) lastResult = status;
  return status;
}

TGPBrush::TGPBrush() : lastResult(NotImplemented) {}

TGPBrush::TGPBrush(GpBrush* nativeBrush, Status status)
    : nativeBrush(nativeBrush), lastResult(status) {}

TGPBrush::~TGPBrush() { Flat(GdipDeleteBrush, nativeBrush); }

std::unique_ptr<TGPBrush> TGPBrush::Clone() {
  GpBrush* clone = nullptr;
  SetStatus(Flat(GdipCloneBrush, nativeBrush, &clone));
  return std::make_unique<TGPBrush>(clone, lastResult);
}

BrushType TGPBrush::GetType() {
  BrushType type = BrushType(-1);
  SetStatus(Flat(GdipGetBrushType, nativeBrush, &type));
  return type;
}

Status TGPBrush::GetLastStatus() {
  const Status status = lastResult;
  lastResult = Ok;
  return status;
}

// ---------------------------------------------------------------------------
// TGPSolidBrush

TGPSolidBrush::TGPSolidBrush(ARGB color) : TGPBrush(nullptr, Ok) {
  lastResult = Flat(GdipCreateSolidFill, color, &nativeBrush);
}

TGPSolidBrush::TGPSolidBrush() : TGPBrush(nullptr, Ok) {}

Status TGPSolidBrush::GetColor(ARGB& color) {
  SetStatus(Flat(GdipGetSolidFillColor, nativeBrush, &color));
  return lastResult;
}

Status TGPSolidBrush::SetColor(ARGB color) {
  return SetStatus(Flat(GdipSetSolidFillColor, nativeBrush, color));
}

// ---------------------------------------------------------------------------
// TGPTextureBrush

TGPTextureBrush::TGPTextureBrush(const TGPImage* image, WrapMode wrapMode)
    : TGPBrush(nullptr, Ok) {
  lastResult =
      image ? Flat(GdipCreateTexture, Native::Of(image), wrapMode, &nativeBrush) : InvalidParameter;
}

TGPTextureBrush::TGPTextureBrush(const TGPImage* image, WrapMode wrapMode,
                                 const TGPRectF& dstRect)
    : TGPTextureBrush(image, wrapMode, dstRect.X, dstRect.Y, dstRect.Width, dstRect.Height) {}

TGPTextureBrush::TGPTextureBrush(const TGPImage* image, WrapMode wrapMode, REAL dstX, REAL dstY,
                                 REAL dstWidth, REAL dstHeight)
    : TGPBrush(nullptr, Ok) {
  lastResult = image ? Flat(GdipCreateTexture2, Native::Of(image), wrapMode, dstX, dstY,
                            dstWidth, dstHeight, &nativeBrush)
                     : InvalidParameter;
}

TGPTextureBrush::TGPTextureBrush(const TGPImage* image, WrapMode wrapMode, const TGPRect& dstRect)
    : TGPTextureBrush(image, wrapMode, dstRect.X, dstRect.Y, dstRect.Width, dstRect.Height) {}

TGPTextureBrush::TGPTextureBrush(const TGPImage* image, WrapMode wrapMode, INT dstX, INT dstY,
                                 INT dstWidth, INT dstHeight)
    : TGPBrush(nullptr, Ok) {
  lastResult = image ? Flat(GdipCreateTexture2I, Native::Of(image), wrapMode, dstX, dstY,
                            dstWidth, dstHeight, &nativeBrush)
                     : InvalidParameter;
}

TGPTextureBrush::TGPTextureBrush(const TGPImage* image, const TGPRectF& dstRect,
                                 const TGPImageAttributes* imageAttributes)
    : TGPBrush(nullptr, Ok) {
  lastResult = image ? Flat(GdipCreateTextureIA, Native::Of(image),
                            Native::Of(imageAttributes),
                            dstRect.X, dstRect.Y, dstRect.Width, dstRect.Height, &nativeBrush)
                     : InvalidParameter;
}

TGPTextureBrush::TGPTextureBrush(const TGPImage* image, const TGPRect& dstRect,
                                 const TGPImageAttributes* imageAttributes)
    : TGPBrush(nullptr, Ok) {
  lastResult = image ? Flat(GdipCreateTextureIAI, Native::Of(image),
                            Native::Of(imageAttributes),
                            dstRect.X, dstRect.Y, dstRect.Width, dstRect.Height, &nativeBrush)
                     : InvalidParameter;
}

TGPTextureBrush::TGPTextureBrush() : TGPBrush(nullptr, Ok) {}

Status TGPTextureBrush::SetTransform(const TGPMatrix* matrix) {
  if (!matrix) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipSetTextureTransform, nativeBrush, Native::Of(matrix)));
}

Status TGPTextureBrush::GetTransform(TGPMatrix* matrix) {
  if (!matrix) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipGetTextureTransform, nativeBrush, Native::Of(matrix)));
}

Status TGPTextureBrush::ResetTransform() {
  return SetStatus(Flat(GdipResetTextureTransform, nativeBrush));
}

Status TGPTextureBrush::MultiplyTransform(const TGPMatrix* matrix, MatrixOrder order) {
  if (!matrix) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipMultiplyTextureTransform, nativeBrush, Native::Of(matrix), order));
}

Status TGPTextureBrush::TranslateTransform(REAL dx, REAL dy, MatrixOrder order) {
  return SetStatus(Flat(GdipTranslateTextureTransform, nativeBrush, dx, dy, order));
}

Status TGPTextureBrush::ScaleTransform(REAL sx, REAL sy, MatrixOrder order) {
  return SetStatus(Flat(GdipScaleTextureTransform, nativeBrush, sx, sy, order));
}

Status TGPTextureBrush::RotateTransform(REAL angle, MatrixOrder order) {
  return SetStatus(Flat(GdipRotateTextureTransform, nativeBrush, angle, order));
}

Status TGPTextureBrush::SetWrapMode(WrapMode wrapMode) {
  return SetStatus(Flat(GdipSetTextureWrapMode, nativeBrush, wrapMode));
}

WrapMode TGPTextureBrush::GetWrapMode() {
  WrapMode mode = WrapModeTile;
  SetStatus(Flat(GdipGetTextureWrapMode, nativeBrush, &mode));
  return mode;
}

std::unique_ptr<TGPImage> TGPTextureBrush::GetImage() {
  GpImage* image = nullptr;
  SetStatus(Flat(GdipGetTextureImage, nativeBrush, &image));  // a copy of the brush's picture
  return std::make_unique<TGPImage>(image, lastResult);
}

// ---------------------------------------------------------------------------
// TGPLinearGradientBrush

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPPointF& point1, const TGPPointF& point2,
                                               ARGB color1, ARGB color2)
    : TGPBrush(nullptr, Ok) {
  lastResult =
      Flat(GdipCreateLineBrush, &point1, &point2, color1, color2, WrapModeTile, &nativeBrush);
}

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPPoint& point1, const TGPPoint& point2,
                                               ARGB color1, ARGB color2)
    : TGPBrush(nullptr, Ok) {
  lastResult =
      Flat(GdipCreateLineBrushI, &point1, &point2, color1, color2, WrapModeTile, &nativeBrush);
}

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRectF& rect, ARGB color1, ARGB color2,
                                               LinearGradientMode mode)
    : TGPBrush(nullptr, Ok) {
  lastResult = Flat(GdipCreateLineBrushFromRect, &rect, color1, color2, mode, WrapModeTile,
                    &nativeBrush);
}

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRect& rect, ARGB color1, ARGB color2,
                                               LinearGradientMode mode)
    : TGPBrush(nullptr, Ok) {
  lastResult = Flat(GdipCreateLineBrushFromRectI, &rect, color1, color2, mode, WrapModeTile,
                    &nativeBrush);
}

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRectF& rect, ARGB color1, ARGB color2,
                                               REAL angle, bool isAngleScalable)
    : TGPBrush(nullptr, Ok) {
  lastResult = Flat(GdipCreateLineBrushFromRectWithAngle, &rect, color1, color2, angle,
                    ToBOOL(isAngleScalable), WrapModeTile, &nativeBrush);
}

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRect& rect, ARGB color1, ARGB color2,
                                               REAL angle, bool isAngleScalable)
    : TGPBrush(nullptr, Ok) {
  lastResult = Flat(GdipCreateLineBrushFromRectWithAngleI, &rect, color1, color2, angle,
                    ToBOOL(isAngleScalable), WrapModeTile, &nativeBrush);
}

TGPLinearGradientBrush::TGPLinearGradientBrush() : TGPBrush(nullptr, Ok) {}

Status TGPLinearGradientBrush::SetLinearColors(ARGB color1, ARGB color2) {
  return SetStatus(Flat(GdipSetLineColors, nativeBrush, color1, color2));
}

Status TGPLinearGradientBrush::GetLinearColors(ARGB& color1, ARGB& color2) {
  ARGB colors[2] = {0, 0};
  SetStatus(Flat(GdipGetLineColors, nativeBrush, colors));
  if (lastResult == Ok) {
    color1 = colors[0];
    color2 = colors[1];
  }
  return lastResult;
}

Status TGPLinearGradientBrush::GetRectangle(TGPRectF& rect) {
  return SetStatus(Flat(GdipGetLineRect, nativeBrush, &rect));
}

Status TGPLinearGradientBrush::GetRectangle(TGPRect& rect) {
  return SetStatus(Flat(GdipGetLineRectI, nativeBrush, &rect));
}

Status TGPLinearGradientBrush::SetGammaCorrection(bool useGammaCorrection) {
  return SetStatus(Flat(GdipSetLineGammaCorrection, nativeBrush, ToBOOL(useGammaCorrection)));
}

bool TGPLinearGradientBrush::GetGammaCorrection() {
  BOOL use = FALSE;
  SetStatus(Flat(GdipGetLineGammaCorrection, nativeBrush, &use));
  return use != FALSE;
}

INT TGPLinearGradientBrush::GetBlendCount() {
  INT count = 0;
  SetStatus(Flat(GdipGetLineBlendCount, nativeBrush, &count));
  return count;
}

Status TGPLinearGradientBrush::SetBlend(const REAL* blendFactors, const REAL* blendPositions,
                                        INT count) {
  if (!blendFactors || !blendPositions || count <= 0) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipSetLineBlend, nativeBrush, blendFactors, blendPositions, count));
}

Status TGPLinearGradientBrush::GetBlend(REAL* blendFactors, REAL* blendPositions, INT count) {
  if (!blendPositions) return SetStatus(InvalidParameter);
  INT entries = 0;
  const Status status =
      CheckBuffer(GdipGetLineBlendCount, nativeBrush, blendFactors, count, entries);
  if (status != Ok) return SetStatus(status);
  return SetStatus(Flat(GdipGetLineBlend, nativeBrush, blendFactors, blendPositions, entries));
}

INT TGPLinearGradientBrush::GetInterpolationColorCount() {
  INT count = 0;
  SetStatus(Flat(GdipGetLinePresetBlendCount, nativeBrush, &count));
  return count;
}

Status TGPLinearGradientBrush::SetInterpolationColors(const ARGB* presetColors,
                                                      const REAL* blendPositions, INT count) {
  if (count <= 0 || !presetColors || !blendPositions) return SetStatus(InvalidParameter);
  return SetStatus(
      Flat(GdipSetLinePresetBlend, nativeBrush, presetColors, blendPositions, count));
}

Status TGPLinearGradientBrush::GetInterpolationColors(ARGB* presetColors, REAL* blendPositions,
                                                      INT count) {
  if (!blendPositions) return SetStatus(InvalidParameter);
  INT entries = 0;
  const Status status =
      CheckBuffer(GdipGetLinePresetBlendCount, nativeBrush, presetColors, count, entries);
  if (status != Ok) return SetStatus(status);
  return SetStatus(
      Flat(GdipGetLinePresetBlend, nativeBrush, presetColors, blendPositions, entries));
}

Status TGPLinearGradientBrush::SetBlendBellShape(REAL focus, REAL scale) {
  return SetStatus(Flat(GdipSetLineSigmaBlend, nativeBrush, focus, scale));
}

Status TGPLinearGradientBrush::SetBlendTriangularShape(REAL focus, REAL scale) {
  return SetStatus(Flat(GdipSetLineLinearBlend, nativeBrush, focus, scale));
}

Status TGPLinearGradientBrush::SetTransform(const TGPMatrix* matrix) {
  if (!matrix) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipSetLineTransform, nativeBrush, Native::Of(matrix)));
}

Status TGPLinearGradientBrush::GetTransform(TGPMatrix* matrix) {
  if (!matrix) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipGetLineTransform, nativeBrush, Native::Of(matrix)));
}

Status TGPLinearGradientBrush::ResetTransform() {
  return SetStatus(Flat(GdipResetLineTransform, nativeBrush));
}

Status TGPLinearGradientBrush::MultiplyTransform(const TGPMatrix* matrix, MatrixOrder order) {
  if (!matrix) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipMultiplyLineTransform, nativeBrush, Native::Of(matrix), order));
}

Status TGPLinearGradientBrush::TranslateTransform(REAL dx, REAL dy, MatrixOrder order) {
  return SetStatus(Flat(GdipTranslateLineTransform, nativeBrush, dx, dy, order));
}

Status TGPLinearGradientBrush::ScaleTransform(REAL sx, REAL sy, MatrixOrder order) {
  return SetStatus(Flat(GdipScaleLineTransform, nativeBrush, sx, sy, order));
}

Status TGPLinearGradientBrush::RotateTransform(REAL angle, MatrixOrder order) {
  return SetStatus(Flat(GdipRotateLineTransform, nativeBrush, angle, order));
}

Status TGPLinearGradientBrush::SetWrapMode(WrapMode wrapMode) {
  return SetStatus(Flat(GdipSetLineWrapMode, nativeBrush, wrapMode));
}

WrapMode TGPLinearGradientBrush::GetWrapMode() {
  WrapMode mode = WrapModeTile;
  SetStatus(Flat(GdipGetLineWrapMode, nativeBrush, &mode));
  return mode;
}

// ---------------------------------------------------------------------------
// TGPHatchBrush

TGPHatchBrush::TGPHatchBrush(HatchStyle hatchStyle, ARGB foreColor, ARGB backColor)
    : TGPBrush(nullptr, Ok) {
  lastResult = Flat(GdipCreateHatchBrush, hatchStyle, foreColor, backColor, &nativeBrush);
}

TGPHatchBrush::TGPHatchBrush() : TGPBrush(nullptr, Ok) {}

HatchStyle TGPHatchBrush::GetHatchStyle() {
  HatchStyle style = HatchStyleHorizontal;
  SetStatus(Flat(GdipGetHatchStyle, nativeBrush, &style));
  return style;
}

Status TGPHatchBrush::GetForegroundColor(ARGB& color) {
  return SetStatus(Flat(GdipGetHatchForegroundColor, nativeBrush, &color));
}

Status TGPHatchBrush::GetBackgroundColor(ARGB& color) {
  return SetStatus(Flat(GdipGetHatchBackgroundColor, nativeBrush, &color));
}

// ---------------------------------------------------------------------------
// TGPPathGradientBrush

TGPPathGradientBrush::TGPPathGradientBrush(const TGPPointF* points, INT count, WrapMode wrapMode)
    : TGPBrush(nullptr, Ok) {
  lastResult = Flat(GdipCreatePathGradient, points, count, wrapMode, &nativeBrush);
}

TGPPathGradientBrush::TGPPathGradientBrush(const TGPPoint* points, INT count, WrapMode wrapMode)
    : TGPBrush(nullptr, Ok) {
  lastResult = Flat(GdipCreatePathGradientI, points, count, wrapMode, &nativeBrush);
}

TGPPathGradientBrush::TGPPathGradientBrush(const TGPGraphicsPath* path) : TGPBrush(nullptr, Ok) {
  lastResult = path ? Flat(GdipCreatePathGradientFromPath, Native::Of(path), &nativeBrush)
                    : InvalidParameter;
}

TGPPathGradientBrush::TGPPathGradientBrush() : TGPBrush(nullptr, Ok) {}

Status TGPPathGradientBrush::GetCenterColor(ARGB& color) {
  SetStatus(Flat(GdipGetPathGradientCenterColor, nativeBrush, &color));
  return lastResult;
}

Status TGPPathGradientBrush::SetCenterColor(ARGB color) {
  SetStatus(Flat(GdipSetPathGradientCenterColor, nativeBrush, color));
  return lastResult;
}

INT TGPPathGradientBrush::GetPointCount() {
  INT count = 0;
  SetStatus(Flat(GdipGetPathGradientPointCount, nativeBrush, &count));
  return count;
}

INT TGPPathGradientBrush::GetSurroundColorCount() {
  INT count = 0;
  SetStatus(Flat(GdipGetPathGradientSurroundColorCount, nativeBrush, &count));
  return count;
}

Status TGPPathGradientBrush::GetSurroundColors(ARGB* colors, INT& count) {
  if (!colors) return SetStatus(InvalidParameter);
  INT held = 0;
  SetStatus(Flat(GdipGetPathGradientSurroundColorCount, nativeBrush, &held));
  if (lastResult != Ok) return lastResult;
  if (count < held || held <= 0) return SetStatus(InsufficientBuffer);
  INT delivered = held;
  SetStatus(Flat(GdipGetPathGradientSurroundColorsWithCount, nativeBrush, colors, &delivered));
  if (lastResult == Ok) count = delivered;
  return lastResult;
}

Status TGPPathGradientBrush::SetSurroundColors(const ARGB* colors, INT& count) {
  const INT points = GetPointCount();
  if (!colors || points < count || points <= 0) return SetStatus(InvalidParameter);
  INT taken = count;
  SetStatus(Flat(GdipSetPathGradientSurroundColorsWithCount, nativeBrush, colors, &taken));
  if (lastResult == Ok) count = taken;
  return lastResult;
}

Status TGPPathGradientBrush::GetGraphicsPath(TGPGraphicsPath* path) {
  if (!path) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipGetPathGradientPath, nativeBrush, Native::Of(path)));
}

Status TGPPathGradientBrush::SetGraphicsPath(const TGPGraphicsPath* path) {
  if (!path) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipSetPathGradientPath, nativeBrush, Native::Of(path)));
}

Status TGPPathGradientBrush::GetCenterPoint(TGPPointF& point) {
  return SetStatus(Flat(GdipGetPathGradientCenterPoint, nativeBrush, &point));
}

Status TGPPathGradientBrush::GetCenterPoint(TGPPoint& point) {
  return SetStatus(Flat(GdipGetPathGradientCenterPointI, nativeBrush, &point));
}

Status TGPPathGradientBrush::SetCenterPoint(const TGPPointF& point) {
  const TGPPointF copy = point;
  return SetStatus(Flat(GdipSetPathGradientCenterPoint, nativeBrush, &copy));
}

Status TGPPathGradientBrush::SetCenterPoint(const TGPPoint& point) {
  const TGPPoint copy = point;
  return SetStatus(Flat(GdipSetPathGradientCenterPointI, nativeBrush, &copy));
}

Status TGPPathGradientBrush::GetRectangle(TGPRectF& rect) {
  return SetStatus(Flat(GdipGetPathGradientRect, nativeBrush, &rect));
}

Status TGPPathGradientBrush::GetRectangle(TGPRect& rect) {
  return SetStatus(Flat(GdipGetPathGradientRectI, nativeBrush, &rect));
}

Status TGPPathGradientBrush::SetGammaCorrection(bool useGammaCorrection) {
  return SetStatus(
      Flat(GdipSetPathGradientGammaCorrection, nativeBrush, ToBOOL(useGammaCorrection)));
}

bool TGPPathGradientBrush::GetGammaCorrection() {
  BOOL use = FALSE;
  SetStatus(Flat(GdipGetPathGradientGammaCorrection, nativeBrush, &use));
  return use != FALSE;
}

INT TGPPathGradientBrush::GetBlendCount() {
  INT count = 0;
  SetStatus(Flat(GdipGetPathGradientBlendCount, nativeBrush, &count));
  return count;
}

Status TGPPathGradientBrush::GetBlend(REAL* blendFactors, REAL* blendPositions, INT count) {
  if (!blendPositions) return SetStatus(InvalidParameter);
  INT entries = 0;
  const Status status =
      CheckBuffer(GdipGetPathGradientBlendCount, nativeBrush, blendFactors, count, entries);
  if (status != Ok) return SetStatus(status);
  return SetStatus(
      Flat(GdipGetPathGradientBlend, nativeBrush, blendFactors, blendPositions, entries));
}

Status TGPPathGradientBrush::SetBlend(const REAL* blendFactors, const REAL* blendPositions,
                                      INT count) {
  if (!blendFactors || !blendPositions || count <= 0) return SetStatus(InvalidParameter);
  return SetStatus(
      Flat(GdipSetPathGradientBlend, nativeBrush, blendFactors, blendPositions, count));
}

INT TGPPathGradientBrush::GetInterpolationColorCount() {
  INT count = 0;
  SetStatus(Flat(GdipGetPathGradientPresetBlendCount, nativeBrush, &count));
  return count;
}

Status TGPPathGradientBrush::SetInterpolationColors(const ARGB* presetColors,
                                                    const REAL* blendPositions, INT count) {
  if (count <= 0 || !presetColors || !blendPositions) return SetStatus(InvalidParameter);
  return SetStatus(
      Flat(GdipSetPathGradientPresetBlend, nativeBrush, presetColors, blendPositions, count));
}

Status TGPPathGradientBrush::GetInterpolationColors(ARGB* presetColors, REAL* blendPositions,
                                                    INT count) {
  if (count <= 0 || !presetColors || !blendPositions) return SetStatus(InvalidParameter);
  INT entries = 0;
  const Status status = CheckBuffer(GdipGetPathGradientPresetBlendCount, nativeBrush,
                                    presetColors, count, entries);
  if (status != Ok) return SetStatus(status);
  return SetStatus(
      Flat(GdipGetPathGradientPresetBlend, nativeBrush, presetColors, blendPositions, entries));
}

Status TGPPathGradientBrush::SetBlendBellShape(REAL focus, REAL scale) {
  return SetStatus(Flat(GdipSetPathGradientSigmaBlend, nativeBrush, focus, scale));
}

Status TGPPathGradientBrush::SetBlendTriangularShape(REAL focus, REAL scale) {
  return SetStatus(Flat(GdipSetPathGradientLinearBlend, nativeBrush, focus, scale));
}

Status TGPPathGradientBrush::GetTransform(TGPMatrix* matrix) {
  if (!matrix) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipGetPathGradientTransform, nativeBrush, Native::Of(matrix)));
}

Status TGPPathGradientBrush::SetTransform(const TGPMatrix* matrix) {
  if (!matrix) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipSetPathGradientTransform, nativeBrush, Native::Of(matrix)));
}

Status TGPPathGradientBrush::ResetTransform() {
  return SetStatus(Flat(GdipResetPathGradientTransform, nativeBrush));
}

Status TGPPathGradientBrush::MultiplyTransform(const TGPMatrix* matrix, MatrixOrder order) {
  if (!matrix) return SetStatus(InvalidParameter);
  return SetStatus(
      Flat(GdipMultiplyPathGradientTransform, nativeBrush, Native::Of(matrix), order));
}

Status TGPPathGradientBrush::TranslateTransform(REAL dx, REAL dy, MatrixOrder order) {
  return SetStatus(Flat(GdipTranslatePathGradientTransform, nativeBrush, dx, dy, order));
}

Status TGPPathGradientBrush::ScaleTransform(REAL sx, REAL sy, MatrixOrder order) {
  return SetStatus(Flat(GdipScalePathGradientTransform, nativeBrush, sx, sy, order));
}

Status TGPPathGradientBrush::RotateTransform(REAL angle, MatrixOrder order) {
  return SetStatus(Flat(GdipRotatePathGradientTransform, nativeBrush, angle, order));
}

Status TGPPathGradientBrush::GetFocusScales(REAL& xScale, REAL& yScale) {
  xScale = 0;
  yScale = 0;
  return SetStatus(Flat(GdipGetPathGradientFocusScales, nativeBrush, &xScale, &yScale));
}

Status TGPPathGradientBrush::SetFocusScales(REAL xScale, REAL yScale) {
  return SetStatus(Flat(GdipSetPathGradientFocusScales, nativeBrush, xScale, yScale));
}

WrapMode TGPPathGradientBrush::GetWrapMode() {
  WrapMode mode = WrapModeTile;
  SetStatus(Flat(GdipGetPathGradientWrapMode, nativeBrush, &mode));
  return mode;
}

Status TGPPathGradientBrush::SetWrapMode(WrapMode wrapMode) {
  return SetStatus(Flat(GdipSetPathGradientWrapMode, nativeBrush, wrapMode));
}

}  // namespace KitGDIPlusClasses
