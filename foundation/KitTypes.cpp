// Routines on float rectangles and points.

#include "foundation/KitTypes.h"

#include <algorithm>
#include <cmath>

namespace {
// Two singles that differ by at most max(1E-4, 1E-4 * the smaller
// magnitude) are the same value.
bool SameSingle(float A, float B) {
  constexpr float resolution = 1E-4f;
  const float epsilon = std::max(std::min(std::fabs(A), std::fabs(B)) * resolution, resolution);
  return std::fabs(A - B) <= epsilon;
}
}  // namespace

bool RectFOffset(TRectF& R, float DX, float DY) {
  R.Left += DX;
  R.Right += DX;
  R.Top += DY;
  R.Bottom += DY;
  return true;
}

void RectFInflate(TRectF& R, float DX, float DY) {
  R.Left -= DX;
  R.Right += DX;
  R.Top -= DY;
  R.Bottom += DY;
}

bool RectFHasPoint(const TRectF& R, const TPointF& P) {
  return R.Left <= P.X && P.X < R.Right && R.Top <= P.Y && P.Y < R.Bottom;
}

bool RectFOverlaps(const TRectF& A, const TRectF& B) {
  return A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom && B.Top < A.Bottom;
}

TRectF RectFIntersection(const TRectF& A, const TRectF& B) {
  const TRectF result(std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
                      std::min(A.Bottom, B.Bottom));
  if (RectFIsVoid(result)) return TRectF();
  return result;
}

bool RectFIsVoid(const TRectF& R) {
  return R.Left > R.Right || SameSingle(R.Left, R.Right) || R.Top > R.Bottom || SameSingle(R.Top, R.Bottom);
}

float RectFWidth(const TRectF& R) { return R.Right - R.Left; }

float RectFHeight(const TRectF& R) { return R.Bottom - R.Top; }

void RectFCenter(TRectF& R, const TRectF& Within) {
  RectFOffset(R, -R.Left, -R.Top);
  RectFOffset(R, static_cast<float>(Round((RectFWidth(Within) - RectFWidth(R)) / 2)),
              static_cast<float>(Round((RectFHeight(Within) - RectFHeight(R)) / 2)));
  RectFOffset(R, Within.Left, Within.Top);
}

TRectF RectFCenterIn(const TRectF& R, const TRectF& Within) {
  TRectF result = R;
  RectFCenter(result, Within);
  return result;
}

TRectF RectFFitIn(const TRectF& R, const TRectF& Within, float& Scale) {
  if (RectFWidth(Within) > 0 && RectFHeight(Within) > 0) {
    Scale = std::max(RectFHeight(R) / RectFHeight(Within), RectFWidth(R) / RectFWidth(Within));
    if (!(Scale > 0)) {
      // R has no extent to scale: it is only centred.
      Scale = 1;
      return RectFCenterIn(R, Within);
    }
    TRectF result(0, 0, RectFWidth(R) / Scale, RectFHeight(R) / Scale);
    RectFCenter(result, Within);
    return result;
  }
  Scale = 1;
  return R;
}

TRectF RectFFitIn(const TRectF& R, const TRectF& Within) {
  float scale = 1;
  return RectFFitIn(R, Within, scale);
}

void RectFSnapToPixels(const TRectF& R, bool AHalfPixel, TRectF& Result, float Scale) {
  if (Scale <= 0) Scale = 1;
  Result.Left = static_cast<float>(Trunc(R.Left * Scale)) / Scale;
  Result.Top = static_cast<float>(Trunc(R.Top * Scale)) / Scale;
  Result.Right = static_cast<float>(Round(Scale * RectFWidth(R))) / Scale + Result.Left;
  Result.Bottom = static_cast<float>(Round(Scale * RectFHeight(R))) / Scale + Result.Top;
  if (AHalfPixel) {
    const float half = 1 / (2 * Scale);
    RectFOffset(Result, half, half);
  }
}

TRect RectFToRect(const TRectF& R) {
  return TRect(static_cast<int>(Round(R.Left)), static_cast<int>(Round(R.Top)), static_cast<int>(Round(R.Right)),
               static_cast<int>(Round(R.Bottom)));
}

TRectF RectToRectF(const TRect& R) {
  return TRectF(static_cast<float>(R.Left), static_cast<float>(R.Top), static_cast<float>(R.Right),
                static_cast<float>(R.Bottom));
}

TPointF PointToPointF(const TPoint& P) { return TPointF(static_cast<float>(P.X), static_cast<float>(P.Y)); }

TSize PointFToSize(const TPointF& P) { return TSize(static_cast<int>(Round(P.X)), static_cast<int>(Round(P.Y))); }

float PointFLength(const TPointF& P) { return static_cast<float>(std::sqrt(P.X * P.X + P.Y * P.Y)); }

TRect RectCopy(const TRect& R) { return R; }
