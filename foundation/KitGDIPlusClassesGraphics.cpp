// The graphics object of the run-time GDI+ binding.

#include "foundation/KitGDIPlusClasses.h"

#include <vector>

#include "foundation/KitGDIPlusClassesCall.h"

namespace KitGDIPlusClasses {

using detail::Flat;
using detail::Native;
using detail::TextLength;
using detail::TextOf;

Status TGPGraphics::SetStatus(Status status) {
  if (status != Ok) lastResult = status;
  return status;
}

// ---------------------------------------------------------------------------
// Creation and surface

TGPGraphics::TGPGraphics(HDC hdc) { lastResult = Flat(GdipCreateFromHDC, hdc, &nativeGraphics); }

TGPGraphics::TGPGraphics(HDC hdc, HANDLE hdevice) {
  lastResult = Flat(GdipCreateFromHDC2, hdc, hdevice, &nativeGraphics);
}

TGPGraphics::TGPGraphics(HWND hwnd, bool icm) {
  lastResult = Flat(icm ? GdipCreateFromHWNDICM : GdipCreateFromHWND, hwnd, &nativeGraphics);
}

TGPGraphics::TGPGraphics(const TGPImage* image) {
  if (image) lastResult = Flat(GdipGetImageGraphicsContext, Native::Of(image), &nativeGraphics);
}

TGPGraphics::~TGPGraphics() {
  if (nativeGraphics) Flat(GdipDeleteGraphics, nativeGraphics);
}

std::unique_ptr<TGPGraphics> TGPGraphics::FromHDC(HDC hdc) {
  return std::make_unique<TGPGraphics>(hdc);
}

std::unique_ptr<TGPGraphics> TGPGraphics::FromHDC(HDC hdc, HANDLE hdevice) {
  return std::make_unique<TGPGraphics>(hdc, hdevice);
}

std::unique_ptr<TGPGraphics> TGPGraphics::FromHWND(HWND hwnd, bool icm) {
  return std::make_unique<TGPGraphics>(hwnd, icm);
}

std::unique_ptr<TGPGraphics> TGPGraphics::FromImage(const TGPImage* image) {
  return std::make_unique<TGPGraphics>(image);
}

void TGPGraphics::Flush(FlushIntention intention) { Flat(GdipFlush, nativeGraphics, intention); }

HDC TGPGraphics::GetHDC() {
  HDC hdc = nullptr;
  SetStatus(Flat(GdipGetDC, nativeGraphics, &hdc));
  return hdc;
}

void TGPGraphics::ReleaseHDC(HDC hdc) { SetStatus(Flat(GdipReleaseDC, nativeGraphics, hdc)); }

// ---------------------------------------------------------------------------
// Rendering state

Status TGPGraphics::SetRenderingOrigin(INT x, INT y) {
  return SetStatus(Flat(GdipSetRenderingOrigin, nativeGraphics, x, y));
}

Status TGPGraphics::GetRenderingOrigin(INT& x, INT& y) {
  x = 0;
  y = 0;
  return SetStatus(Flat(GdipGetRenderingOrigin, nativeGraphics, &x, &y));
}

Status TGPGraphics::SetCompositingMode(CompositingMode compositingMode) {
  return SetStatus(Flat(GdipSetCompositingMode, nativeGraphics, compositingMode));
}

CompositingMode TGPGraphics::GetCompositingMode() {
  CompositingMode mode = CompositingModeSourceOver;
  SetStatus(Flat(GdipGetCompositingMode, nativeGraphics, &mode));
  return mode;
}

Status TGPGraphics::SetCompositingQuality(INT compositingQuality) {
  return SetStatus(Flat(GdipSetCompositingQuality, nativeGraphics, compositingQuality));
}

INT TGPGraphics::GetCompositingQuality() {
  INT quality = CompositingQualityDefault;
  SetStatus(Flat(GdipGetCompositingQuality, nativeGraphics, &quality));
  return quality;
}

Status TGPGraphics::SetTextRenderingHint(TextRenderingHint newMode) {
  return SetStatus(Flat(GdipSetTextRenderingHint, nativeGraphics, newMode));
}

TextRenderingHint TGPGraphics::GetTextRenderingHint() {
  TextRenderingHint hint = TextRenderingHintSystemDefault;
  SetStatus(Flat(GdipGetTextRenderingHint, nativeGraphics, &hint));
  return hint;
}

Status TGPGraphics::SetTextContrast(UINT contrast) {
  return SetStatus(Flat(GdipSetTextContrast, nativeGraphics, contrast));
}

UINT TGPGraphics::GetTextContrast() {
  UINT contrast = 0;
  SetStatus(Flat(GdipGetTextContrast, nativeGraphics, &contrast));
  return contrast;
}

Status TGPGraphics::SetInterpolationMode(INT interpolationMode) {
  return SetStatus(Flat(GdipSetInterpolationMode, nativeGraphics, interpolationMode));
}

INT TGPGraphics::GetInterpolationMode() {
  INT mode = InterpolationModeInvalid;
  if (SetStatus(Flat(GdipGetInterpolationMode, nativeGraphics, &mode)) != Ok)
    return InterpolationModeInvalid;
  return mode;
}

Status TGPGraphics::SetSmoothingMode(INT smoothingMode) {
  return SetStatus(Flat(GdipSetSmoothingMode, nativeGraphics, smoothingMode));
}

INT TGPGraphics::GetSmoothingMode() {
  INT mode = SmoothingModeInvalid;
  if (SetStatus(Flat(GdipGetSmoothingMode, nativeGraphics, &mode)) != Ok)
    return SmoothingModeInvalid;
  return mode;
}

Status TGPGraphics::SetPixelOffsetMode(INT pixelOffsetMode) {
  return SetStatus(Flat(GdipSetPixelOffsetMode, nativeGraphics, pixelOffsetMode));
}

INT TGPGraphics::GetPixelOffsetMode() {
  INT mode = PixelOffsetModeInvalid;
  if (SetStatus(Flat(GdipGetPixelOffsetMode, nativeGraphics, &mode)) != Ok)
    return PixelOffsetModeInvalid;
  return mode;
}

// ---------------------------------------------------------------------------
// Transforms and page

Status TGPGraphics::SetTransform(const TGPMatrix* matrix) {
  if (!matrix) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipSetWorldTransform, nativeGraphics, Native::Of(matrix)));
}

Status TGPGraphics::ResetTransform() {
  return SetStatus(Flat(GdipResetWorldTransform, nativeGraphics));
}

Status TGPGraphics::MultiplyTransform(const TGPMatrix* matrix, MatrixOrder order) {
  if (!matrix) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipMultiplyWorldTransform, nativeGraphics, Native::Of(matrix), order));
}

Status TGPGraphics::TranslateTransform(REAL dx, REAL dy, MatrixOrder order) {
  return SetStatus(Flat(GdipTranslateWorldTransform, nativeGraphics, dx, dy, order));
}

Status TGPGraphics::ScaleTransform(REAL sx, REAL sy, MatrixOrder order) {
  return SetStatus(Flat(GdipScaleWorldTransform, nativeGraphics, sx, sy, order));
}

Status TGPGraphics::RotateTransform(REAL angle, MatrixOrder order) {
  return SetStatus(Flat(GdipRotateWorldTransform, nativeGraphics, angle, order));
}

Status TGPGraphics::GetTransform(TGPMatrix* matrix) {
  if (!matrix) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipGetWorldTransform, nativeGraphics, Native::Of(matrix)));
}

Status TGPGraphics::SetPageUnit(Unit_ unit_) {
  return SetStatus(Flat(GdipSetPageUnit, nativeGraphics, unit_));
}

Status TGPGraphics::SetPageScale(REAL scale) {
  return SetStatus(Flat(GdipSetPageScale, nativeGraphics, scale));
}

Unit_ TGPGraphics::GetPageUnit() {
  Unit_ unit = UnitWorld;
  SetStatus(Flat(GdipGetPageUnit, nativeGraphics, &unit));
  return unit;
}

REAL TGPGraphics::GetPageScale() {
  REAL scale = 0;
  SetStatus(Flat(GdipGetPageScale, nativeGraphics, &scale));
  return scale;
}

REAL TGPGraphics::GetDpiX() {
  REAL dpi = 0;
  SetStatus(Flat(GdipGetDpiX, nativeGraphics, &dpi));
  return dpi;
}

REAL TGPGraphics::GetDpiY() {
  REAL dpi = 0;
  SetStatus(Flat(GdipGetDpiY, nativeGraphics, &dpi));
  return dpi;
}

Status TGPGraphics::TransformPoints(CoordinateSpace destSpace, CoordinateSpace srcSpace,
                                    TGPPointF* pts, INT count) {
  return SetStatus(Flat(GdipTransformPoints, nativeGraphics, destSpace, srcSpace, pts, count));
}

Status TGPGraphics::TransformPoints(CoordinateSpace destSpace, CoordinateSpace srcSpace,
                                    TGPPoint* pts, INT count) {
  return SetStatus(Flat(GdipTransformPointsI, nativeGraphics, destSpace, srcSpace, pts, count));
}

Status TGPGraphics::GetNearestColor(ARGB& color) {
  return SetStatus(Flat(GdipGetNearestColor, nativeGraphics, &color));
}

// ---------------------------------------------------------------------------
// Drawing with a pen

#define KIT_REQUIRE(argument) \
  if (!(argument)) return SetStatus(InvalidParameter)

Status TGPGraphics::DrawLine(const TGPPen* pen, REAL x1, REAL y1, REAL x2, REAL y2) {
  KIT_REQUIRE(pen);
  return SetStatus(Flat(GdipDrawLine, nativeGraphics, Native::Of(pen), x1, y1, x2, y2));
}

Status TGPGraphics::DrawLine(const TGPPen* pen, const TGPPointF& pt1, const TGPPointF& pt2) {
  return DrawLine(pen, pt1.X, pt1.Y, pt2.X, pt2.Y);
}

Status TGPGraphics::DrawLine(const TGPPen* pen, INT x1, INT y1, INT x2, INT y2) {
  KIT_REQUIRE(pen);
  return SetStatus(Flat(GdipDrawLineI, nativeGraphics, Native::Of(pen), x1, y1, x2, y2));
}

Status TGPGraphics::DrawLine(const TGPPen* pen, const TGPPoint& pt1, const TGPPoint& pt2) {
  return DrawLine(pen, pt1.X, pt1.Y, pt2.X, pt2.Y);
}

Status TGPGraphics::DrawLines(const TGPPen* pen, const TGPPointF* points, INT count) {
  KIT_REQUIRE(pen);
  return SetStatus(Flat(GdipDrawLines, nativeGraphics, Native::Of(pen), points, count));
}

Status TGPGraphics::DrawLines(const TGPPen* pen, const TGPPoint* points, INT count) {
  KIT_REQUIRE(pen);
  return SetStatus(Flat(GdipDrawLinesI, nativeGraphics, Native::Of(pen), points, count));
}

Status TGPGraphics::DrawArc(const TGPPen* pen, REAL x, REAL y, REAL width, REAL height,
                            REAL startAngle, REAL sweepAngle) {
  KIT_REQUIRE(pen);
  return SetStatus(Flat(GdipDrawArc, nativeGraphics, Native::Of(pen), x, y, width, height,
                        startAngle, sweepAngle));
}

Status TGPGraphics::DrawArc(const TGPPen* pen, const TGPRectF& rect, REAL startAngle,
                            REAL sweepAngle) {
  return DrawArc(pen, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

Status TGPGraphics::DrawArc(const TGPPen* pen, INT x, INT y, INT width, INT height,
                            REAL startAngle, REAL sweepAngle) {
  KIT_REQUIRE(pen);
  return SetStatus(Flat(GdipDrawArcI, nativeGraphics, Native::Of(pen), x, y, width, height,
                        startAngle, sweepAngle));
}

Status TGPGraphics::DrawArc(const TGPPen* pen, const TGPRect& rect, REAL startAngle,
                            REAL sweepAngle) {
  return DrawArc(pen, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

Status TGPGraphics::DrawBezier(const TGPPen* pen, REAL x1, REAL y1, REAL x2, REAL y2, REAL x3,
                               REAL y3, REAL x4, REAL y4) {
  KIT_REQUIRE(pen);
  return SetStatus(
      Flat(GdipDrawBezier, nativeGraphics, Native::Of(pen), x1, y1, x2, y2, x3, y3, x4, y4));
}

Status TGPGraphics::DrawBezier(const TGPPen* pen, const TGPPointF& pt1, const TGPPointF& pt2,
                               const TGPPointF& pt3, const TGPPointF& pt4) {
  return DrawBezier(pen, pt1.X, pt1.Y, pt2.X, pt2.Y, pt3.X, pt3.Y, pt4.X, pt4.Y);
}

Status TGPGraphics::DrawBezier(const TGPPen* pen, INT x1, INT y1, INT x2, INT y2, INT x3, INT y3,
                               INT x4, INT y4) {
  KIT_REQUIRE(pen);
  return SetStatus(
      Flat(GdipDrawBezierI, nativeGraphics, Native::Of(pen), x1, y1, x2, y2, x3, y3, x4, y4));
}

Status TGPGraphics::DrawBezier(const TGPPen* pen, const TGPPoint& pt1, const TGPPoint& pt2,
                               const TGPPoint& pt3, const TGPPoint& pt4) {
  return DrawBezier(pen, pt1.X, pt1.Y, pt2.X, pt2.Y, pt3.X, pt3.Y, pt4.X, pt4.Y);
}

Status TGPGraphics::DrawBeziers(const TGPPen* pen, const TGPPointF* points, INT count) {
  KIT_REQUIRE(pen);
  return SetStatus(Flat(GdipDrawBeziers, nativeGraphics, Native::Of(pen), points, count));
}

Status TGPGraphics::DrawBeziers(const TGPPen* pen, const TGPPoint* points, INT count) {
  KIT_REQUIRE(pen);
  return SetStatus(Flat(GdipDrawBeziersI, nativeGraphics, Native::Of(pen), points, count));
}

Status TGPGraphics::DrawRectangle(const TGPPen* pen, const TGPRectF& rect) {
  return DrawRectangle(pen, rect.X, rect.Y, rect.Width, rect.Height);
}

Status TGPGraphics::DrawRectangle(const TGPPen* pen, REAL x, REAL y, REAL width, REAL height) {
  KIT_REQUIRE(pen);
  return SetStatus(Flat(GdipDrawRectangle, nativeGraphics, Native::Of(pen), x, y, width, height));
}

Status TGPGraphics::DrawRectangle(const TGPPen* pen, const TGPRect& rect) {
  return DrawRectangle(pen, rect.X, rect.Y, rect.Width, rect.Height);
}

Status TGPGraphics::DrawRectangle(const TGPPen* pen, INT x, INT y, INT width, INT height) {
  KIT_REQUIRE(pen);
  return SetStatus(Flat(GdipDrawRectangleI, nativeGraphics, Native::Of(pen), x, y, width, height));
}

Status TGPGraphics::DrawRectangles(const TGPPen* pen, const TGPRectF* rects, INT count) {
  KIT_REQUIRE(pen);
  return SetStatus(Flat(GdipDrawRectangles, nativeGraphics, Native::Of(pen), rects, count));
}

Status TGPGraphics::DrawRectangles(const TGPPen* pen, const TGPRect* rects, INT count) {
  KIT_REQUIRE(pen);
  return SetStatus(Flat(GdipDrawRectanglesI, nativeGraphics, Native::Of(pen), rects, count));
}

Status TGPGraphics::DrawEllipse(const TGPPen* pen, const TGPRectF& rect) {
  return DrawEllipse(pen, rect.X, rect.Y, rect.Width, rect.Height);
}

Status TGPGraphics::DrawEllipse(const TGPPen* pen, REAL x, REAL y, REAL width, REAL height) {
  KIT_REQUIRE(pen);
  return SetStatus(Flat(GdipDrawEllipse, nativeGraphics, Native::Of(pen), x, y, width, height));
}

Status TGPGraphics::DrawEllipse(const TGPPen* pen, const TGPRect& rect) {
  return DrawEllipse(pen, rect.X, rect.Y, rect.Width, rect.Height);
}

Status TGPGraphics::DrawEllipse(const TGPPen* pen, INT x, INT y, INT width, INT height) {
  KIT_REQUIRE(pen);
  return SetStatus(Flat(GdipDrawEllipseI, nativeGraphics, Native::Of(pen), x, y, width, height));
}

Status TGPGraphics::DrawPie(const TGPPen* pen, const TGPRectF& rect, REAL startAngle,
                            REAL sweepAngle) {
  return DrawPie(pen, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

Status TGPGraphics::DrawPie(const TGPPen* pen, REAL x, REAL y, REAL width, REAL height,
                            REAL startAngle, REAL sweepAngle) {
  KIT_REQUIRE(pen);
  return SetStatus(Flat(GdipDrawPie, nativeGraphics, Native::Of(pen), x, y, width, height,
                        startAngle, sweepAngle));
}

Status TGPGraphics::DrawPie(const TGPPen* pen, const TGPRect& rect, REAL startAngle,
                            REAL sweepAngle) {
  return DrawPie(pen, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

Status TGPGraphics::DrawPie(const TGPPen* pen, INT x, INT y, INT width, INT height,
                            REAL startAngle, REAL sweepAngle) {
  KIT_REQUIRE(pen);
  return SetStatus(Flat(GdipDrawPieI, nativeGraphics, Native::Of(pen), x, y, width, height,
                        startAngle, sweepAngle));
}

Status TGPGraphics::DrawPolygon(const TGPPen* pen, const TGPPointF* points, INT count) {
  KIT_REQUIRE(pen);
  return SetStatus(Flat(GdipDrawPolygon, nativeGraphics, Native::Of(pen), points, count));
}

Status TGPGraphics::DrawPolygon(const TGPPen* pen, const TGPPoint* points, INT count) {
  KIT_REQUIRE(pen);
  return SetStatus(Flat(GdipDrawPolygonI, nativeGraphics, Native::Of(pen), points, count));
}

Status TGPGraphics::DrawPath(const TGPPen* pen, const TGPGraphicsPath* path) {
  return SetStatus(Flat(GdipDrawPath, nativeGraphics, Native::Of(pen),
                        Native::Of(path)));
}

Status TGPGraphics::DrawCurve(const TGPPen* pen, const TGPPointF* points, INT count) {
  KIT_REQUIRE(pen);
  return SetStatus(Flat(GdipDrawCurve, nativeGraphics, Native::Of(pen), points, count));
}

Status TGPGraphics::DrawCurve(const TGPPen* pen, const TGPPointF* points, INT count,
                              REAL tension) {
  KIT_REQUIRE(pen);
  return SetStatus(Flat(GdipDrawCurve2, nativeGraphics, Native::Of(pen), points, count, tension));
}

Status TGPGraphics::DrawCurve(const TGPPen* pen, const TGPPointF* points, INT count, INT offset,
                              INT numberOfSegments, REAL tension) {
  KIT_REQUIRE(pen);
  return SetStatus(Flat(GdipDrawCurve3, nativeGraphics, Native::Of(pen), points, count, offset,
                        numberOfSegments, tension));
}

Status TGPGraphics::DrawCurve(const TGPPen* pen, const TGPPoint* points, INT count) {
  KIT_REQUIRE(pen);
  return SetStatus(Flat(GdipDrawCurveI, nativeGraphics, Native::Of(pen), points, count));
}

Status TGPGraphics::DrawCurve(const TGPPen* pen, const TGPPoint* points, INT count,
                              REAL tension) {
  KIT_REQUIRE(pen);
  return SetStatus(Flat(GdipDrawCurve2I, nativeGraphics, Native::Of(pen), points, count, tension));
}

Status TGPGraphics::DrawCurve(const TGPPen* pen, const TGPPoint* points, INT count, INT offset,
                              INT numberOfSegments, REAL tension) {
  KIT_REQUIRE(pen);
  return SetStatus(Flat(GdipDrawCurve3I, nativeGraphics, Native::Of(pen), points, count, offset,
                        numberOfSegments, tension));
}

Status TGPGraphics::DrawClosedCurve(const TGPPen* pen, const TGPPointF* points, INT count) {
  KIT_REQUIRE(pen);
  return SetStatus(Flat(GdipDrawClosedCurve, nativeGraphics, Native::Of(pen), points, count));
}

Status TGPGraphics::DrawClosedCurve(const TGPPen* pen, const TGPPointF* points, INT count,
                                    REAL tension) {
  KIT_REQUIRE(pen);
  return SetStatus(
      Flat(GdipDrawClosedCurve2, nativeGraphics, Native::Of(pen), points, count, tension));
}

Status TGPGraphics::DrawClosedCurve(const TGPPen* pen, const TGPPoint* points, INT count) {
  KIT_REQUIRE(pen);
  return SetStatus(Flat(GdipDrawClosedCurveI, nativeGraphics, Native::Of(pen), points, count));
}

Status TGPGraphics::DrawClosedCurve(const TGPPen* pen, const TGPPoint* points, INT count,
                                    REAL tension) {
  KIT_REQUIRE(pen);
  return SetStatus(
      Flat(GdipDrawClosedCurve2I, nativeGraphics, Native::Of(pen), points, count, tension));
}

Status TGPGraphics::Clear(ARGB color) {
  return SetStatus(Flat(GdipGraphicsClear, nativeGraphics, color));
}

// ---------------------------------------------------------------------------
// Filling with a brush

Status TGPGraphics::FillRectangle(const TGPBrush* brush, const TGPRectF& rect) {
  return FillRectangle(brush, rect.X, rect.Y, rect.Width, rect.Height);
}

Status TGPGraphics::FillRectangle(const TGPBrush* brush, REAL x, REAL y, REAL width,
                                  REAL height) {
  KIT_REQUIRE(brush);
  return SetStatus(
      Flat(GdipFillRectangle, nativeGraphics, Native::Of(brush), x, y, width, height));
}

Status TGPGraphics::FillRectangle(const TGPBrush* brush, const TGPRect& rect) {
  return FillRectangle(brush, rect.X, rect.Y, rect.Width, rect.Height);
}

Status TGPGraphics::FillRectangle(const TGPBrush* brush, INT x, INT y, INT width, INT height) {
  KIT_REQUIRE(brush);
  return SetStatus(
      Flat(GdipFillRectangleI, nativeGraphics, Native::Of(brush), x, y, width, height));
}

Status TGPGraphics::FillRectangles(const TGPBrush* brush, const TGPRectF* rects, INT count) {
  KIT_REQUIRE(brush);
  return SetStatus(Flat(GdipFillRectangles, nativeGraphics, Native::Of(brush), rects, count));
}

Status TGPGraphics::FillRectangles(const TGPBrush* brush, const TGPRect* rects, INT count) {
  KIT_REQUIRE(brush);
  return SetStatus(Flat(GdipFillRectanglesI, nativeGraphics, Native::Of(brush), rects, count));
}

Status TGPGraphics::FillPolygon(const TGPBrush* brush, const TGPPointF* points, INT count) {
  return FillPolygon(brush, points, count, FillModeAlternate);
}

Status TGPGraphics::FillPolygon(const TGPBrush* brush, const TGPPointF* points, INT count,
                                FillMode fillMode) {
  KIT_REQUIRE(brush);
  return SetStatus(
      Flat(GdipFillPolygon, nativeGraphics, Native::Of(brush), points, count, fillMode));
}

Status TGPGraphics::FillPolygon(const TGPBrush* brush, const TGPPoint* points, INT count) {
  return FillPolygon(brush, points, count, FillModeAlternate);
}

Status TGPGraphics::FillPolygon(const TGPBrush* brush, const TGPPoint* points, INT count,
                                FillMode fillMode) {
  KIT_REQUIRE(brush);
  return SetStatus(
      Flat(GdipFillPolygonI, nativeGraphics, Native::Of(brush), points, count, fillMode));
}

Status TGPGraphics::FillEllipse(const TGPBrush* brush, const TGPRectF& rect) {
  return FillEllipse(brush, rect.X, rect.Y, rect.Width, rect.Height);
}

Status TGPGraphics::FillEllipse(const TGPBrush* brush, REAL x, REAL y, REAL width, REAL height) {
  KIT_REQUIRE(brush);
  return SetStatus(Flat(GdipFillEllipse, nativeGraphics, Native::Of(brush), x, y, width, height));
}

Status TGPGraphics::FillEllipse(const TGPBrush* brush, const TGPRect& rect) {
  return FillEllipse(brush, rect.X, rect.Y, rect.Width, rect.Height);
}

Status TGPGraphics::FillEllipse(const TGPBrush* brush, INT x, INT y, INT width, INT height) {
  KIT_REQUIRE(brush);
  return SetStatus(
      Flat(GdipFillEllipseI, nativeGraphics, Native::Of(brush), x, y, width, height));
}

Status TGPGraphics::FillPie(const TGPBrush* brush, const TGPRectF& rect, REAL startAngle,
                            REAL sweepAngle) {
  return FillPie(brush, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

Status TGPGraphics::FillPie(const TGPBrush* brush, REAL x, REAL y, REAL width, REAL height,
                            REAL startAngle, REAL sweepAngle) {
  KIT_REQUIRE(brush);
  return SetStatus(Flat(GdipFillPie, nativeGraphics, Native::Of(brush), x, y, width, height,
                        startAngle, sweepAngle));
}

Status TGPGraphics::FillPie(const TGPBrush* brush, const TGPRect& rect, REAL startAngle,
                            REAL sweepAngle) {
  return FillPie(brush, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

Status TGPGraphics::FillPie(const TGPBrush* brush, INT x, INT y, INT width, INT height,
                            REAL startAngle, REAL sweepAngle) {
  KIT_REQUIRE(brush);
  return SetStatus(Flat(GdipFillPieI, nativeGraphics, Native::Of(brush), x, y, width, height,
                        startAngle, sweepAngle));
}

Status TGPGraphics::FillPath(const TGPBrush* brush, const TGPGraphicsPath* path) {
  KIT_REQUIRE(brush && path);
  return SetStatus(Flat(GdipFillPath, nativeGraphics, Native::Of(brush), Native::Of(path)));
}

Status TGPGraphics::FillClosedCurve(const TGPBrush* brush, const TGPPointF* points, INT count) {
  KIT_REQUIRE(brush);
  return SetStatus(Flat(GdipFillClosedCurve, nativeGraphics, Native::Of(brush), points, count));
}

Status TGPGraphics::FillClosedCurve(const TGPBrush* brush, const TGPPointF* points, INT count,
                                    FillMode fillMode, REAL tension) {
  KIT_REQUIRE(brush);
  return SetStatus(Flat(GdipFillClosedCurve2, nativeGraphics, Native::Of(brush), points, count,
                        tension, fillMode));
}

Status TGPGraphics::FillClosedCurve(const TGPBrush* brush, const TGPPoint* points, INT count) {
  KIT_REQUIRE(brush);
  return SetStatus(
      Flat(GdipFillClosedCurveI, nativeGraphics, Native::Of(brush), points, count));
}

Status TGPGraphics::FillClosedCurve(const TGPBrush* brush, const TGPPoint* points, INT count,
                                    FillMode fillMode, REAL tension) {
  KIT_REQUIRE(brush);
  return SetStatus(Flat(GdipFillClosedCurve2I, nativeGraphics, Native::Of(brush), points, count,
                        tension, fillMode));
}

Status TGPGraphics::FillRegion(const TGPBrush* brush, const TGPRegion* region) {
  KIT_REQUIRE(brush && region);
  return SetStatus(Flat(GdipFillRegion, nativeGraphics, Native::Of(brush), Native::Of(region)));
}

// ---------------------------------------------------------------------------
// Text

Status TGPGraphics::DrawString(const QString& string_, const TGPFont* font,
                               const TGPRectF& layoutRect, const TGPStringFormat* stringFormat,
                               const TGPBrush* brush) {
  return DrawString(string_, INT(string_.size()), font, layoutRect, stringFormat, brush);
}

Status TGPGraphics::DrawString(const QString& string_, INT length, const TGPFont* font,
                               const TGPRectF& layoutRect, const TGPStringFormat* stringFormat,
                               const TGPBrush* brush) {
  return SetStatus(Flat(GdipDrawString, nativeGraphics, TextOf(string_),
                        TextLength(string_, length), Native::Of(font),
                        &layoutRect, Native::Of(stringFormat),
                        Native::Of(brush)));
}

Status TGPGraphics::DrawString(const QString& string_, INT length, const TGPFont* font,
                               const TGPPointF& origin, const TGPBrush* brush) {
  return DrawString(string_, length, font, TGPRectF{origin.X, origin.Y, 0, 0}, nullptr, brush);
}

Status TGPGraphics::DrawString(const QString& string_, INT length, const TGPFont* font,
                               const TGPPointF& origin, const TGPStringFormat* stringFormat,
                               const TGPBrush* brush) {
  return DrawString(string_, length, font, TGPRectF{origin.X, origin.Y, 0, 0}, stringFormat,
                    brush);
}

Status TGPGraphics::MeasureString(const QString& string_, INT length, const TGPFont* font,
                                  const TGPRectF& layoutRect,
                                  const TGPStringFormat* stringFormat, TGPRectF& boundingBox,
                                  INT* codepointsFitted, INT* linesFilled) {
  return SetStatus(Flat(GdipMeasureString, nativeGraphics, TextOf(string_),
                        TextLength(string_, length), Native::Of(font),
                        &layoutRect, Native::Of(stringFormat),
                        &boundingBox, codepointsFitted, linesFilled));
}

Status TGPGraphics::MeasureString(const QString& string_, INT length, const TGPFont* font,
                                  const TGPSizeF& layoutRectSize,
                                  const TGPStringFormat* stringFormat, TGPSizeF& size,
                                  INT* codepointsFitted, INT* linesFilled) {
  const TGPRectF layoutRect{0, 0, layoutRectSize.Width, layoutRectSize.Height};
  TGPRectF box{};
  const Status status = MeasureString(string_, length, font, layoutRect, stringFormat, box,
                                      codepointsFitted, linesFilled);
  if (status == Ok) size = TGPSizeF{box.Width, box.Height};
  return status;
}

Status TGPGraphics::MeasureString(const QString& string_, INT length, const TGPFont* font,
                                  const TGPPointF& origin, const TGPStringFormat* stringFormat,
                                  TGPRectF& boundingBox) {
  return MeasureString(string_, length, font, TGPRectF{origin.X, origin.Y, 0, 0}, stringFormat,
                       boundingBox, nullptr, nullptr);
}

Status TGPGraphics::MeasureString(const QString& string_, INT length, const TGPFont* font,
                                  const TGPRectF& layoutRect, TGPRectF& boundingBox) {
  return MeasureString(string_, length, font, layoutRect, nullptr, boundingBox, nullptr, nullptr);
}

Status TGPGraphics::MeasureString(const QString& string_, INT length, const TGPFont* font,
                                  const TGPPointF& origin, TGPRectF& boundingBox) {
  return MeasureString(string_, length, font, TGPRectF{origin.X, origin.Y, 0, 0}, nullptr,
                       boundingBox, nullptr, nullptr);
}

Status TGPGraphics::MeasureCharacterRanges(const QString& string_, INT length,
                                           const TGPFont* font, const TGPRectF& layoutRect,
                                           const TGPStringFormat* stringFormat,
                                           INT regionCount,
                                           std::span<TGPRegion* const> regions) {
  if (regionCount <= 0 || size_t(regionCount) > regions.size()) return InvalidParameter;
  std::vector<GpRegion*> handles(size_t(regionCount), nullptr);
  for (size_t i = 0; i < handles.size(); ++i) {
    if (!regions[i]) return InvalidParameter;
    handles[i] = Native::Of(regions[i]);
  }
  return SetStatus(Flat(GdipMeasureCharacterRanges, nativeGraphics, TextOf(string_),
                        TextLength(string_, length), Native::Of(font),
                        &layoutRect, Native::Of(stringFormat),
                        regionCount, handles.data()));
}

Status TGPGraphics::DrawDriverString(const UINT16* text, INT length, const TGPFont* font,
                                     const TGPBrush* brush, const TGPPointF* positions, INT flags,
                                     const TGPMatrix* matrix) {
  return SetStatus(Flat(GdipDrawDriverString, nativeGraphics, text, length,
                        Native::Of(font), Native::Of(brush),
                        positions, flags, Native::Of(matrix)));
}

Status TGPGraphics::MeasureDriverString(const UINT16* text, INT length, const TGPFont* font,
                                        const TGPPointF* positions, INT flags,
                                        const TGPMatrix* matrix, TGPRectF& boundingBox) {
  return SetStatus(Flat(GdipMeasureDriverString, nativeGraphics, text, length,
                        Native::Of(font), positions, flags,
                        Native::Of(matrix), &boundingBox));
}

// ---------------------------------------------------------------------------
// Images

Status TGPGraphics::DrawCachedBitmap(const TGPCachedBitmap* cb, INT x, INT y) {
  KIT_REQUIRE(cb);
  return SetStatus(Flat(GdipDrawCachedBitmap, nativeGraphics, Native::Of(cb), x, y));
}

Status TGPGraphics::DrawImage(const TGPImage* image, const TGPPointF& point) {
  return DrawImage(image, point.X, point.Y);
}

Status TGPGraphics::DrawImage(const TGPImage* image, REAL x, REAL y) {
  return SetStatus(Flat(GdipDrawImage, nativeGraphics, Native::Of(image), x, y));
}

Status TGPGraphics::DrawImage(const TGPImage* image, const TGPPoint& point) {
  return DrawImage(image, point.X, point.Y);
}

Status TGPGraphics::DrawImage(const TGPImage* image, INT x, INT y) {
  return SetStatus(
      Flat(GdipDrawImageI, nativeGraphics, Native::Of(image), x, y));
}

Status TGPGraphics::DrawImage(const TGPImage* image, const TGPRectF& rect) {
  return DrawImage(image, rect.X, rect.Y, rect.Width, rect.Height);
}

Status TGPGraphics::DrawImage(const TGPImage* image, REAL x, REAL y, REAL width, REAL height) {
  return SetStatus(Flat(GdipDrawImageRect, nativeGraphics, Native::Of(image),
                        x, y, width, height));
}

Status TGPGraphics::DrawImage(const TGPImage* image, const TGPRect& rect) {
  return DrawImage(image, rect.X, rect.Y, rect.Width, rect.Height);
}

Status TGPGraphics::DrawImage(const TGPImage* image, INT x, INT y, INT width, INT height) {
  return SetStatus(Flat(GdipDrawImageRectI, nativeGraphics, Native::Of(image),
                        x, y, width, height));
}

Status TGPGraphics::DrawImage(const TGPImage* image, const TGPPointF* destPoints, INT count) {
  if (!destPoints || (count != 3 && count != 4)) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipDrawImagePoints, nativeGraphics, Native::Of(image),
                        destPoints, count));
}

Status TGPGraphics::DrawImage(const TGPImage* image, const TGPPoint* destPoints, INT count) {
  if (!destPoints || (count != 3 && count != 4)) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipDrawImagePointsI, nativeGraphics,
                        Native::Of(image), destPoints, count));
}

Status TGPGraphics::DrawImage(const TGPImage* image, REAL x, REAL y, REAL srcx, REAL srcy,
                              REAL srcwidth, REAL srcheight, Unit_ srcUnit) {
  return SetStatus(Flat(GdipDrawImagePointRect, nativeGraphics,
                        Native::Of(image), x, y, srcx, srcy, srcwidth,
                        srcheight, srcUnit));
}

Status TGPGraphics::DrawImage(const TGPImage* image, INT x, INT y, INT srcx, INT srcy,
                              INT srcwidth, INT srcheight, Unit_ srcUnit) {
  return SetStatus(Flat(GdipDrawImagePointRectI, nativeGraphics,
                        Native::Of(image), x, y, srcx, srcy, srcwidth,
                        srcheight, srcUnit));
}

Status TGPGraphics::DrawImage(const TGPImage* image, const TGPRectF& destRect, REAL srcx,
                              REAL srcy, REAL srcwidth, REAL srcheight, Unit_ srcUnit,
                              const TGPImageAttributes* imageAttributes, ImageAbort callback,
                              void* callbackData) {
  return SetStatus(Flat(GdipDrawImageRectRect, nativeGraphics,
                        Native::Of(image), destRect.X, destRect.Y,
                        destRect.Width, destRect.Height, srcx, srcy, srcwidth, srcheight, srcUnit,
                        Native::Of(imageAttributes), callback,
                        callbackData));
}

Status TGPGraphics::DrawImage(const TGPImage* image, const TGPRect& destRect, INT srcx, INT srcy,
                              INT srcwidth, INT srcheight, Unit_ srcUnit,
                              const TGPImageAttributes* imageAttributes, ImageAbort callback,
                              void* callbackData) {
  return SetStatus(Flat(GdipDrawImageRectRectI, nativeGraphics,
                        Native::Of(image), destRect.X, destRect.Y,
                        destRect.Width, destRect.Height, srcx, srcy, srcwidth, srcheight, srcUnit,
                        Native::Of(imageAttributes), callback,
                        callbackData));
}

Status TGPGraphics::DrawImage(const TGPImage* image, const TGPPointF* destPoints, INT count,
                              REAL srcx, REAL srcy, REAL srcwidth, REAL srcheight, Unit_ srcUnit,
                              const TGPImageAttributes* imageAttributes, ImageAbort callback,
                              void* callbackData) {
  // The library reads count points: only the counts it knows are passed on.
  if (!destPoints || (count != 3 && count != 4)) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipDrawImagePointsRect, nativeGraphics,
                        Native::Of(image), destPoints, count, srcx, srcy,
                        srcwidth, srcheight, srcUnit,
                        Native::Of(imageAttributes), callback,
                        callbackData));
}

Status TGPGraphics::DrawImage(const TGPImage* image, const TGPPoint* destPoints, INT count,
                              INT srcx, INT srcy, INT srcwidth, INT srcheight, Unit_ srcUnit,
                              const TGPImageAttributes* imageAttributes, ImageAbort callback,
                              void* callbackData) {
  if (!destPoints || (count != 3 && count != 4)) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipDrawImagePointsRectI, nativeGraphics,
                        Native::Of(image), destPoints, count, srcx, srcy,
                        srcwidth, srcheight, srcUnit,
                        Native::Of(imageAttributes), callback,
                        callbackData));
}

// ---------------------------------------------------------------------------
// Clipping

Status TGPGraphics::SetClip(const TGPGraphics* g, CombineMode combineMode) {
  KIT_REQUIRE(g);
  return SetStatus(Flat(GdipSetClipGraphics, nativeGraphics, Native::Of(g), combineMode));
}

Status TGPGraphics::SetClip(const TGPRectF& rect, CombineMode combineMode) {
  return SetStatus(Flat(GdipSetClipRect, nativeGraphics, rect.X, rect.Y, rect.Width, rect.Height,
                        combineMode));
}

Status TGPGraphics::SetClip(const TGPRect& rect, CombineMode combineMode) {
  return SetStatus(Flat(GdipSetClipRectI, nativeGraphics, rect.X, rect.Y, rect.Width,
                        rect.Height, combineMode));
}

Status TGPGraphics::SetClip(const TGPGraphicsPath* path, CombineMode combineMode) {
  KIT_REQUIRE(path);
  return SetStatus(Flat(GdipSetClipPath, nativeGraphics, Native::Of(path), combineMode));
}

Status TGPGraphics::SetClip(const TGPRegion* region, CombineMode combineMode) {
  KIT_REQUIRE(region);
  return SetStatus(Flat(GdipSetClipRegion, nativeGraphics, Native::Of(region), combineMode));
}

Status TGPGraphics::SetClip(HRGN hRgn, CombineMode combineMode) {
  return SetStatus(Flat(GdipSetClipHrgn, nativeGraphics, hRgn, combineMode));
}

Status TGPGraphics::IntersectClip(const TGPRectF& rect) {
  return SetClip(rect, CombineModeIntersect);
}

Status TGPGraphics::IntersectClip(const TGPRect& rect) {
  return SetClip(rect, CombineModeIntersect);
}

Status TGPGraphics::IntersectClip(const TGPRegion* region) {
  return SetClip(region, CombineModeIntersect);
}

Status TGPGraphics::ExcludeClip(const TGPRectF& rect) { return SetClip(rect, CombineModeExclude); }

Status TGPGraphics::ExcludeClip(const TGPRect& rect) { return SetClip(rect, CombineModeExclude); }

Status TGPGraphics::ExcludeClip(const TGPRegion* region) {
  return SetClip(region, CombineModeExclude);
}

Status TGPGraphics::ResetClip() { return SetStatus(Flat(GdipResetClip, nativeGraphics)); }

Status TGPGraphics::TranslateClip(REAL dx, REAL dy) {
  return SetStatus(Flat(GdipTranslateClip, nativeGraphics, dx, dy));
}

Status TGPGraphics::TranslateClip(INT dx, INT dy) {
  return SetStatus(Flat(GdipTranslateClipI, nativeGraphics, dx, dy));
}

Status TGPGraphics::GetClip(TGPRegion* region) {
  KIT_REQUIRE(region);
  return SetStatus(Flat(GdipGetClip, nativeGraphics, Native::Of(region)));
}

Status TGPGraphics::GetClipBounds(TGPRectF& rect) {
  return SetStatus(Flat(GdipGetClipBounds, nativeGraphics, &rect));
}

Status TGPGraphics::GetClipBounds(TGPRect& rect) {
  return SetStatus(Flat(GdipGetClipBoundsI, nativeGraphics, &rect));
}

bool TGPGraphics::IsClipEmpty() {
  BOOL empty = FALSE;
  SetStatus(Flat(GdipIsClipEmpty, nativeGraphics, &empty));
  return empty != FALSE;
}

Status TGPGraphics::GetVisibleClipBounds(TGPRectF& rect) {
  return SetStatus(Flat(GdipGetVisibleClipBounds, nativeGraphics, &rect));
}

Status TGPGraphics::GetVisibleClipBounds(TGPRect& rect) {
  return SetStatus(Flat(GdipGetVisibleClipBoundsI, nativeGraphics, &rect));
}

bool TGPGraphics::IsVisibleClipEmpty() {
  BOOL empty = FALSE;
  SetStatus(Flat(GdipIsVisibleClipEmpty, nativeGraphics, &empty));
  return empty != FALSE;
}

bool TGPGraphics::IsVisible(INT x, INT y) {
  BOOL visible = FALSE;
  if (SetStatus(Flat(GdipIsVisiblePointI, nativeGraphics, x, y, &visible)) != Ok) return false;
  return visible != FALSE;
}

bool TGPGraphics::IsVisible(const TGPPoint& point) { return IsVisible(point.X, point.Y); }

bool TGPGraphics::IsVisible(REAL x, REAL y) {
  BOOL visible = FALSE;
  if (SetStatus(Flat(GdipIsVisiblePoint, nativeGraphics, x, y, &visible)) != Ok) return false;
  return visible != FALSE;
}

bool TGPGraphics::IsVisible(const TGPPointF& point) { return IsVisible(point.X, point.Y); }

bool TGPGraphics::IsVisible(INT x, INT y, INT width, INT height) {
  BOOL visible = detail::kTrue;
  if (SetStatus(Flat(GdipIsVisibleRectI, nativeGraphics, x, y, width, height, &visible)) != Ok)
    return true;
  return visible != FALSE;
}

bool TGPGraphics::IsVisible(const TGPRect& rect) {
  return IsVisible(rect.X, rect.Y, rect.Width, rect.Height);
}

bool TGPGraphics::IsVisible(REAL x, REAL y, REAL width, REAL height) {
  BOOL visible = detail::kTrue;
  if (SetStatus(Flat(GdipIsVisibleRect, nativeGraphics, x, y, width, height, &visible)) != Ok)
    return true;
  return visible != FALSE;
}

bool TGPGraphics::IsVisible(const TGPRectF& rect) {
  return IsVisible(rect.X, rect.Y, rect.Width, rect.Height);
}

// ---------------------------------------------------------------------------
// Graphics state

GraphicsState TGPGraphics::Save() {
  GraphicsState state = 0;
  SetStatus(Flat(GdipSaveGraphics, nativeGraphics, &state));
  return state;
}

Status TGPGraphics::Restore(GraphicsState gstate) {
  return SetStatus(Flat(GdipRestoreGraphics, nativeGraphics, gstate));
}

GraphicsContainer TGPGraphics::BeginContainer(const TGPRectF& dstrect, const TGPRectF& srcrect,
                                              Unit_ unit_) {
  GraphicsContainer state = 0;
  SetStatus(Flat(GdipBeginContainer, nativeGraphics, &dstrect, &srcrect, unit_, &state));
  return state;
}

GraphicsContainer TGPGraphics::BeginContainer(const TGPRect& dstrect, const TGPRect& srcrect,
                                              Unit_ unit_) {
  GraphicsContainer state = 0;
  SetStatus(Flat(GdipBeginContainerI, nativeGraphics, &dstrect, &srcrect, unit_, &state));
  return state;
}

GraphicsContainer TGPGraphics::BeginContainer() {
  GraphicsContainer state = 0;
  SetStatus(Flat(GdipBeginContainer2, nativeGraphics, &state));
  return state;
}

Status TGPGraphics::EndContainer(GraphicsContainer state) {
  return SetStatus(Flat(GdipEndContainer, nativeGraphics, state));
}

Status TGPGraphics::AddMetafileComment(const BYTE* data, UINT sizeData) {
  return SetStatus(Flat(GdipComment, nativeGraphics, sizeData, data));
}

Status TGPGraphics::GetLastStatus() {
  const Status status = lastResult;
  lastResult = Ok;
  return status;
}

#undef KIT_REQUIRE

}  // namespace KitGDIPlusClasses
