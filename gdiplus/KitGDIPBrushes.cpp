// The static GDI+ binding: brushes and pens.

#include "gdiplus/KitGDIP.h"
#include "gdiplus/KitGDIPFlat.h"

namespace KitGDIP {

// ---------------------------------------------------------------------------
// TGPBrush

TF_PUBLISHED(TGPBrush, TGdiplusBase) { return TPublished<TGPBrush>(); }

TGPBrush::TGPBrush() : lastResult(NotImplemented) {}

TGPBrush::TGPBrush(GpBrush* brush, TStatus status) : nativeBrush(brush), lastResult(status) {}

TGPBrush::~TGPBrush() {
  if (nativeBrush) GDIP(GdipDeleteBrush)(nativeBrush);
}

TStatus TGPBrush::SetStatus(TStatus status) {
  if (status != Ok) lastResult = status;
  return status;
}

TStatus TGPBrush::GetLastStatus() {
  const TStatus result = lastResult;
  lastResult = Ok;
  return result;
}

// ---------------------------------------------------------------------------
// TGPSolidBrush

TF_PUBLISHED(TGPSolidBrush, TGPBrush) { return TPublished<TGPSolidBrush>(); }

TGPSolidBrush::TGPSolidBrush(ARGB color) {
  GpSolidFill* brush = nullptr;
  lastResult = GDIP(GdipCreateSolidFill)(color, &brush);
  SetNativeBrush(brush);
}

TGPSolidBrush::TGPSolidBrush() { lastResult = Ok; }

TStatus TGPSolidBrush::GetColor(ARGB& color) {
  color = 0;
  return SetStatus(GDIP(GdipGetSolidFillColor)(nativeBrush, &color));
}

TStatus TGPSolidBrush::SetColor(ARGB color) { return SetStatus(GDIP(GdipSetSolidFillColor)(nativeBrush, color)); }

// ---------------------------------------------------------------------------
// TGPHatchBrush

TF_PUBLISHED(TGPHatchBrush, TGPBrush) { return TPublished<TGPHatchBrush>(); }

TGPHatchBrush::TGPHatchBrush(HatchStyle hatchStyle, ARGB foreColor, ARGB backColor) {
  GpHatch* brush = nullptr;
  lastResult = GDIP(GdipCreateHatchBrush)(hatchStyle, foreColor, backColor, &brush);
  SetNativeBrush(brush);
}

TGPHatchBrush::TGPHatchBrush() { lastResult = Ok; }

HatchStyle TGPHatchBrush::GetHatchStyle() {
  HatchStyle style = HatchStyleHorizontal;
  if (SetStatus(GDIP(GdipGetHatchStyle)(nativeBrush, &style)) != Ok) return HatchStyleHorizontal;
  return style;
}

TStatus TGPHatchBrush::GetForegroundColor(ARGB& color) {
  color = 0;
  const TStatus status = SetStatus(GDIP(GdipGetHatchForegroundColor)(nativeBrush, &color));
  if (status != Ok) color = 0;
  return status;
}

TStatus TGPHatchBrush::GetBackgroundColor(ARGB& color) {
  color = 0;
  const TStatus status = SetStatus(GDIP(GdipGetHatchBackgroundColor)(nativeBrush, &color));
  if (status != Ok) color = 0;
  return status;
}

// ---------------------------------------------------------------------------
// TGPTextureBrush

TF_PUBLISHED(TGPTextureBrush, TGPBrush) { return TPublished<TGPTextureBrush>(); }

TGPTextureBrush::TGPTextureBrush(TGPImage* image, WrapMode wrapMode) {
  GpTexture* brush = nullptr;
  lastResult = GDIP(GdipCreateTexture)(TNative::Get(image), wrapMode, &brush);
  SetNativeBrush(brush);
}

TGPTextureBrush::TGPTextureBrush(TGPImage* image, WrapMode wrapMode, const TGPRectF& dstRect)
    : TGPTextureBrush(image, wrapMode, dstRect.X, dstRect.Y, dstRect.Width, dstRect.Height) {}

TGPTextureBrush::TGPTextureBrush(TGPImage* image, WrapMode wrapMode, const TGPRect& dstRect)
    : TGPTextureBrush(image, wrapMode, dstRect.X, dstRect.Y, dstRect.Width, dstRect.Height) {}

TGPTextureBrush::TGPTextureBrush(TGPImage* image, const TGPRectF& dstRect, TGPImageAttributes* imageAttributes) {
  GpTexture* brush = nullptr;
  lastResult = GDIP(GdipCreateTextureIA)(TNative::Get(image),
                                          TNative::Get(imageAttributes), dstRect.X,
                                          dstRect.Y, dstRect.Width, dstRect.Height, &brush);
  SetNativeBrush(brush);
}

TGPTextureBrush::TGPTextureBrush(TGPImage* image, const TGPRect& dstRect, TGPImageAttributes* imageAttributes) {
  GpTexture* brush = nullptr;
  lastResult = GDIP(GdipCreateTextureIAI)(TNative::Get(image),
                                           TNative::Get(imageAttributes), dstRect.X,
                                           dstRect.Y, dstRect.Width, dstRect.Height, &brush);
  SetNativeBrush(brush);
}

TGPTextureBrush::TGPTextureBrush(TGPImage* image, WrapMode wrapMode, REAL dstX, REAL dstY, REAL dstWidth,
                                 REAL dstHeight) {
  GpTexture* brush = nullptr;
  lastResult = GDIP(GdipCreateTexture2)(TNative::Get(image), wrapMode, dstX, dstY, dstWidth,
                                         dstHeight, &brush);
  SetNativeBrush(brush);
}

TGPTextureBrush::TGPTextureBrush(TGPImage* image, WrapMode wrapMode, int dstX, int dstY, int dstWidth,
                                 int dstHeight) {
  GpTexture* brush = nullptr;
  lastResult = GDIP(GdipCreateTexture2I)(TNative::Get(image), wrapMode, dstX, dstY, dstWidth,
                                          dstHeight, &brush);
  SetNativeBrush(brush);
}

TGPTextureBrush::TGPTextureBrush() { lastResult = Ok; }

TStatus TGPTextureBrush::ResetTransform() { return SetStatus(GDIP(GdipResetTextureTransform)(nativeBrush)); }

TStatus TGPTextureBrush::TranslateTransform(REAL dx, REAL dy, MatrixOrder order) {
  return SetStatus(GDIP(GdipTranslateTextureTransform)(nativeBrush, dx, dy, order));
}

TStatus TGPTextureBrush::ScaleTransform(REAL sx, REAL sy, MatrixOrder order) {
  return SetStatus(GDIP(GdipScaleTextureTransform)(nativeBrush, sx, sy, order));
}

TStatus TGPTextureBrush::RotateTransform(REAL angle, MatrixOrder order) {
  return SetStatus(GDIP(GdipRotateTextureTransform)(nativeBrush, angle, order));
}

TStatus TGPTextureBrush::SetWrapMode(WrapMode wrapMode) {
  return SetStatus(GDIP(GdipSetTextureWrapMode)(nativeBrush, wrapMode));
}

WrapMode TGPTextureBrush::GetWrapMode() {
  WrapMode mode = WrapModeTile;
  if (SetStatus(GDIP(GdipGetTextureWrapMode)(nativeBrush, &mode)) != Ok) return WrapModeTile;
  return mode;
}

TGPImage* TGPTextureBrush::GetImage() {
  GpImage* image = nullptr;
  const TStatus status = SetStatus(GDIP(GdipGetTextureImage)(nativeBrush, &image));
  return new TGPImage(status == Ok ? image : nullptr, status);
}

// ---------------------------------------------------------------------------
// TGPLinearGradientBrush

TF_PUBLISHED(TGPLinearGradientBrush, TGPBrush) { return TPublished<TGPLinearGradientBrush>(); }

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPPointF& point1, const TGPPointF& point2, ARGB color1,
                                               ARGB color2) {
  GpLineGradient* brush = nullptr;
  lastResult = GDIP(GdipCreateLineBrush)(&point1, &point2, color1, color2, WrapModeTile, &brush);
  SetNativeBrush(brush);
}

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPPoint& point1, const TGPPoint& point2, ARGB color1,
                                               ARGB color2) {
  GpLineGradient* brush = nullptr;
  lastResult = GDIP(GdipCreateLineBrushI)(&point1, &point2, color1, color2, WrapModeTile, &brush);
  SetNativeBrush(brush);
}

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRectF& rect, ARGB color1, ARGB color2,
                                               LinearGradientMode mode) {
  GpLineGradient* brush = nullptr;
  lastResult = GDIP(GdipCreateLineBrushFromRect)(&rect, color1, color2, mode, WrapModeTile, &brush);
  SetNativeBrush(brush);
}

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRect& rect, ARGB color1, ARGB color2,
                                               LinearGradientMode mode) {
  GpLineGradient* brush = nullptr;
  lastResult = GDIP(GdipCreateLineBrushFromRectI)(&rect, color1, color2, mode, WrapModeTile, &brush);
  SetNativeBrush(brush);
}

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRectF& rect, ARGB color1, ARGB color2, REAL angle,
                                               bool isAngleScalable) {
  GpLineGradient* brush = nullptr;
  lastResult = GDIP(GdipCreateLineBrushFromRectWithAngle)(&rect, color1, color2, angle,
                                                           isAngleScalable ? TRUE : FALSE, WrapModeTile, &brush);
  SetNativeBrush(brush);
}

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRect& rect, ARGB color1, ARGB color2, REAL angle,
                                               bool isAngleScalable) {
  GpLineGradient* brush = nullptr;
  lastResult = GDIP(GdipCreateLineBrushFromRectWithAngleI)(&rect, color1, color2, angle,
                                                            isAngleScalable ? TRUE : FALSE, WrapModeTile, &brush);
  SetNativeBrush(brush);
}

TGPLinearGradientBrush::TGPLinearGradientBrush() { lastResult = Ok; }

TStatus TGPLinearGradientBrush::SetGammaCorrection(bool useGammaCorrection) {
  return SetStatus(GDIP(GdipSetLineGammaCorrection)(nativeBrush, useGammaCorrection ? TRUE : FALSE));
}

TStatus TGPLinearGradientBrush::SetInterpolationColors(const ARGB* presetColors, const REAL* blendPositions,
                                                       int count) {
  if (count <= 0 || presetColors == nullptr || blendPositions == nullptr) return SetStatus(InvalidParameter);
  return SetStatus(GDIP(GdipSetLinePresetBlend)(nativeBrush, presetColors, blendPositions, count));
}

TStatus TGPLinearGradientBrush::GetRectangle(TGPRectF& rect) {
  rect = TGPRectF{};
  const TStatus status = SetStatus(GDIP(GdipGetLineRect)(nativeBrush, &rect));
  if (status != Ok) rect = TGPRectF{};
  return status;
}

TStatus TGPLinearGradientBrush::GetLinearColors(ARGB& color1, ARGB& color2) {
  ARGB colors[2] = {0, 0};
  const TStatus status = SetStatus(GDIP(GdipGetLineColors)(nativeBrush, colors));
  color1 = status == Ok ? colors[0] : 0;
  color2 = status == Ok ? colors[1] : 0;
  return status;
}

// ---------------------------------------------------------------------------
// TGPPathGradientBrush

TF_PUBLISHED(TGPPathGradientBrush, TGPBrush) { return TPublished<TGPPathGradientBrush>(); }

TGPPathGradientBrush::TGPPathGradientBrush(TGPGraphicsPath* path) {
  if (path == nullptr) {  // the library would answer OutOfMemory
    lastResult = InvalidParameter;
    return;
  }
  GpPathGradient* brush = nullptr;
  lastResult = GDIP(GdipCreatePathGradientFromPath)(TNative::Get(path), &brush);
  SetNativeBrush(brush);
}

TStatus TGPPathGradientBrush::GetCenterColor(ARGB& color) {
  color = 0;
  const TStatus status = SetStatus(GDIP(GdipGetPathGradientCenterColor)(nativeBrush, &color));
  if (status != Ok) color = 0;
  return status;
}

TStatus TGPPathGradientBrush::SetCenterColor(ARGB color) {
  return SetStatus(GDIP(GdipSetPathGradientCenterColor)(nativeBrush, color));
}

int TGPPathGradientBrush::GetPointCount() {
  INT count = 0;
  if (SetStatus(GDIP(GdipGetPathGradientPointCount)(nativeBrush, &count)) != Ok) return 0;
  return count;
}

TStatus TGPPathGradientBrush::GetSurroundColors(ARGB* colors, int& count) {
  if (colors == nullptr) return SetStatus(InvalidParameter);
  INT held = 0;
  const TStatus counted = GDIP(GdipGetPathGradientSurroundColorCount)(nativeBrush, &held);
  if (counted != Ok) return SetStatus(counted);
  if (held <= 0 || held > count) return SetStatus(InsufficientBuffer);
  INT read = held;
  const TStatus status = SetStatus(GDIP(GdipGetPathGradientSurroundColorsWithCount)(nativeBrush, colors, &read));
  if (status == Ok) count = read;
  return status;
}

TStatus TGPPathGradientBrush::SetSurroundColors(const ARGB* colors, int& count) {
  if (colors == nullptr) return SetStatus(InvalidParameter);
  const int points = GetPointCount();
  if (points <= 0 || count <= 0 || points < count) return SetStatus(InvalidParameter);
  INT set = count;
  const TStatus status = SetStatus(GDIP(GdipSetPathGradientSurroundColorsWithCount)(nativeBrush, colors, &set));
  if (status == Ok) count = set;
  return status;
}

TStatus TGPPathGradientBrush::GetCenterPoint(TGPPointF& point) {
  point = TGPPointF{};
  const TStatus status = SetStatus(GDIP(GdipGetPathGradientCenterPoint)(nativeBrush, &point));
  if (status != Ok) point = TGPPointF{};
  return status;
}

TStatus TGPPathGradientBrush::GetCenterPoint(TGPPoint& point) {
  point = TGPPoint{};
  const TStatus status = SetStatus(GDIP(GdipGetPathGradientCenterPointI)(nativeBrush, &point));
  if (status != Ok) point = TGPPoint{};
  return status;
}

TStatus TGPPathGradientBrush::SetCenterPoint(const TGPPointF& point) {
  return SetStatus(GDIP(GdipSetPathGradientCenterPoint)(nativeBrush, &point));
}

TStatus TGPPathGradientBrush::SetCenterPoint(const TGPPoint& point) {
  return SetStatus(GDIP(GdipSetPathGradientCenterPointI)(nativeBrush, &point));
}

TStatus TGPPathGradientBrush::SetWrapMode(WrapMode wrapMode) {
  return SetStatus(GDIP(GdipSetPathGradientWrapMode)(nativeBrush, wrapMode));
}

TStatus TGPPathGradientBrush::SetGammaCorrection(bool useGammaCorrection) {
  return SetStatus(GDIP(GdipSetPathGradientGammaCorrection)(nativeBrush, useGammaCorrection ? TRUE : FALSE));
}

TStatus TGPPathGradientBrush::SetInterpolationColors(const ARGB* presetColors, const REAL* blendPositions,
                                                     int count) {
  if (count <= 0 || presetColors == nullptr || blendPositions == nullptr) return SetStatus(InvalidParameter);
  return SetStatus(GDIP(GdipSetPathGradientPresetBlend)(nativeBrush, presetColors, blendPositions, count));
}

// ---------------------------------------------------------------------------
// TGPPen

TF_PUBLISHED(TGPPen, TGdiplusBase) { return TPublished<TGPPen>(); }

TGPPen::TGPPen(ARGB color, REAL width) { lastResult = GDIP(GdipCreatePen1)(color, width, UnitWorld, &nativePen); }

TGPPen::TGPPen(TGPBrush* brush, REAL width) {
  lastResult = GDIP(GdipCreatePen2)(TNative::Get(brush), width, UnitWorld, &nativePen);
}

TGPPen::~TGPPen() {
  if (nativePen) GDIP(GdipDeletePen)(nativePen);
}

TStatus TGPPen::SetStatus(TStatus status) {
  if (status != Ok) lastResult = status;
  return status;
}

TStatus TGPPen::SetBrush(TGPBrush* brush) {
  return SetStatus(GDIP(GdipSetPenBrushFill)(nativePen, TNative::Get(brush)));
}

TGPBrush* TGPPen::GetBrush() {
  const int type = GetPenType();
  GpBrush* brush = nullptr;
  auto fetch = [&] { return SetStatus(GDIP(GdipGetPenBrushFill)(nativePen, &brush)); };
  auto adopt = [&](TGPBrush* wrapper) {
    TNative::Adopt(wrapper, brush, Ok);  // the status of the fetch
    return wrapper;
  };
  switch (type) {
    case PenTypeSolidColor:
      if (fetch() == Ok) return adopt(new TGPSolidBrush());
      break;
    case PenTypeHatchFill:
      if (fetch() == Ok) return adopt(new TGPHatchBrush());
      break;
    case PenTypeTextureFill:
      if (fetch() == Ok) return adopt(new TGPTextureBrush());
      break;
    case PenTypePathGradient:
      if (fetch() == Ok) return adopt(new TGPBrush(nullptr, Ok));
      break;
    case PenTypeLinearGradient:
      if (fetch() == Ok) return adopt(new TGPLinearGradientBrush());
      break;
    default:
      return nullptr;
  }
  if (brush) GDIP(GdipDeleteBrush)(brush);
  return nullptr;
}

DashStyle TGPPen::GetDashStyle() {
  DashStyle style = DashStyleSolid;
  if (SetStatus(GDIP(GdipGetPenDashStyle)(nativePen, &style)) != Ok) return DashStyleSolid;
  return style;
}

TStatus TGPPen::SetDashStyle(DashStyle dashStyle) { return SetStatus(GDIP(GdipSetPenDashStyle)(nativePen, dashStyle)); }

TStatus TGPPen::SetEndCap(int endCap) { return SetStatus(GDIP(GdipSetPenEndCap)(nativePen, endCap)); }

int TGPPen::GetPenType() {
  GpPenType type = PenTypeUnknown;
  if (SetStatus(GDIP(GdipGetPenFillType)(nativePen, &type)) != Ok) return PenTypeUnknown;
  return type;
}

REAL TGPPen::GetWidth() {
  REAL width = 0;
  if (SetStatus(GDIP(GdipGetPenWidth)(nativePen, &width)) != Ok) return 0;
  return width;
}

TStatus TGPPen::GetColor(ARGB& color) {
  color = 0;
  const TStatus status = SetStatus(GDIP(GdipGetPenColor)(nativePen, &color));
  if (status != Ok) color = 0;
  return status;
}

TStatus TGPPen::GetLastStatus() {
  const TStatus result = lastResult;
  lastResult = Ok;
  return result;
}

}  // namespace KitGDIP
