#pragma once
// The framework's geometry records: integer points, sizes and rectangles,
// and their single-precision forms. Rectangles hold their four edges; the
// right and bottom edges lie outside the rectangle. The integer records have
// the layout of the Win32 POINT, SIZE and RECT records.

#include <algorithm>

struct TPoint {
  int X = 0;
  int Y = 0;

  constexpr TPoint() = default;
  constexpr TPoint(int AX, int AY) : X(AX), Y(AY) {}

  constexpr void Offset(int DX, int DY) {
    X += DX;
    Y += DY;
  }
  constexpr bool IsZero() const { return X == 0 && Y == 0; }
  constexpr bool operator==(const TPoint&) const = default;
  constexpr TPoint operator+(const TPoint& o) const { return {X + o.X, Y + o.Y}; }
  constexpr TPoint operator-(const TPoint& o) const { return {X - o.X, Y - o.Y}; }
};

struct TSize {
  int cx = 0;
  int cy = 0;

  constexpr TSize() = default;
  constexpr TSize(int Acx, int Acy) : cx(Acx), cy(Acy) {}

  constexpr int Width() const { return cx; }
  constexpr int Height() const { return cy; }
  constexpr bool IsZero() const { return cx == 0 && cy == 0; }
  constexpr bool operator==(const TSize&) const = default;
};

// A rectangle that includes its left and top edges and excludes its right
// and bottom ones, as the framework's TRect.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  constexpr TRect() = default;
  constexpr TRect(int ALeft, int ATop, int ARight, int ABottom)
      : Left(ALeft), Top(ATop), Right(ARight), Bottom(ABottom) {}
  constexpr TRect(const TPoint& ATopLeft, const TPoint& ABottomRight)
      : Left(ATopLeft.X), Top(ATopLeft.Y), Right(ABottomRight.X), Bottom(ABottomRight.Y) {}

  constexpr int Width() const { return Right - Left; }
  constexpr int Height() const { return Bottom - Top; }
  constexpr void SetWidth(int Value) { Right = Left + Value; }
  constexpr void SetHeight(int Value) { Bottom = Top + Value; }
  constexpr TSize Size() const { return {Width(), Height()}; }
  constexpr TPoint TopLeft() const { return {Left, Top}; }
  constexpr TPoint BottomRight() const { return {Right, Bottom}; }
  constexpr TPoint CenterPoint() const { return {Left + Width() / 2, Top + Height() / 2}; }
  // True when the rectangle covers no pixel (right <= left or bottom <= top).
  constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  // The point lies inside: left and top edges included, right and bottom excluded.
  constexpr bool Contains(const TPoint& P) const {
    return P.X >= Left && P.X < Right && P.Y >= Top && P.Y < Bottom;
  }
  constexpr void Offset(int DX, int DY) {
    Left += DX;
    Right += DX;
    Top += DY;
    Bottom += DY;
  }
  constexpr void Inflate(int DX, int DY) {
    Left -= DX;
    Right += DX;
    Top -= DY;
    Bottom += DY;
  }
  // Swaps the edges so that Left <= Right and Top <= Bottom.
  constexpr void NormalizeRect() {
    if (Left > Right) std::swap(Left, Right);
    if (Top > Bottom) std::swap(Top, Bottom);
  }
  constexpr bool operator==(const TRect&) const = default;
};

struct TPointF {
  float X = 0;
  float Y = 0;
  constexpr TPointF() = default;
  constexpr TPointF(float AX, float AY) : X(AX), Y(AY) {}
  constexpr bool operator==(const TPointF&) const = default;
  constexpr TPointF operator+(const TPointF& P) const { return {X + P.X, Y + P.Y}; }
  constexpr TPointF operator-(const TPointF& P) const { return {X - P.X, Y - P.Y}; }
  constexpr TPointF operator*(float Factor) const { return {X * Factor, Y * Factor}; }
  constexpr TPointF operator/(float Divisor) const { return {X / Divisor, Y / Divisor}; }
};

struct TSizeF {
  float cx = 0;
  float cy = 0;
  constexpr TSizeF() = default;
  constexpr TSizeF(float ACx, float ACy) : cx(ACx), cy(ACy) {}
  constexpr bool operator==(const TSizeF&) const = default;
};

struct TRectF {
  float Left = 0;
  float Top = 0;
  float Right = 0;
  float Bottom = 0;
  constexpr TRectF() = default;
  constexpr TRectF(float ALeft, float ATop, float ARight, float ABottom)
      : Left(ALeft), Top(ATop), Right(ARight), Bottom(ABottom) {}
  constexpr float Width() const { return Right - Left; }
  constexpr float Height() const { return Bottom - Top; }
  constexpr TPointF TopLeft() const { return {Left, Top}; }
  constexpr TPointF BottomRight() const { return {Right, Bottom}; }
  // Left and top edges inside, right and bottom edges outside.
  constexpr bool Contains(const TPointF& P) const {
    return P.X >= Left && P.X < Right && P.Y >= Top && P.Y < Bottom;
  }
  constexpr bool operator==(const TRectF&) const = default;
};

constexpr TPoint Point(int AX, int AY) { return {AX, AY}; }
constexpr TPointF PointF(float AX, float AY) { return {AX, AY}; }
constexpr TRectF RectF(float ALeft, float ATop, float ARight, float ABottom) {
  return {ALeft, ATop, ARight, ABottom};
}
constexpr TRect Rect(int ALeft, int ATop, int ARight, int ABottom) {
  return {ALeft, ATop, ARight, ABottom};
}
constexpr TRect Bounds(int ALeft, int ATop, int AWidth, int AHeight) {
  return {ALeft, ATop, ALeft + AWidth, ATop + AHeight};
}

// The overlap of R1 and R2; false (and an empty Rect) when they do not overlap.
constexpr bool IntersectRect(TRect& Rect, const TRect& R1, const TRect& R2) {
  TRect r(std::max(R1.Left, R2.Left), std::max(R1.Top, R2.Top), std::min(R1.Right, R2.Right),
          std::min(R1.Bottom, R2.Bottom));
  if (r.IsEmpty()) {
    Rect = TRect();
    return false;
  }
  Rect = r;
  return true;
}
// The smallest rectangle holding both; an empty one counts for nothing.
constexpr bool UnionRect(TRect& Rect, const TRect& R1, const TRect& R2) {
  if (R1.IsEmpty()) Rect = R2;
  else if (R2.IsEmpty()) Rect = R1;
  else
    Rect = TRect(std::min(R1.Left, R2.Left), std::min(R1.Top, R2.Top), std::max(R1.Right, R2.Right),
                 std::max(R1.Bottom, R2.Bottom));
  if (Rect.IsEmpty()) {
    Rect = TRect();
    return false;
  }
  return true;
}
constexpr bool PtInRect(const TRect& Rect, const TPoint& P) { return Rect.Contains(P); }
