#pragma once
// The framework's geometry records: integer points, sizes and rectangles,
// and their single-precision forms. Rectangles hold their four edges; the
// right and bottom edges lie outside the rectangle.

struct TPoint {
  int X = 0;
  int Y = 0;
  constexpr TPoint() = default;
  constexpr TPoint(int AX, int AY) : X(AX), Y(AY) {}
  constexpr bool operator==(const TPoint&) const = default;
};

struct TSize {
  int cx = 0;
  int cy = 0;
  constexpr TSize() = default;
  constexpr TSize(int ACx, int ACy) : cx(ACx), cy(ACy) {}
  constexpr int Width() const { return cx; }
  constexpr int Height() const { return cy; }
  constexpr bool operator==(const TSize&) const = default;
};

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  constexpr TRect() = default;
  constexpr TRect(int ALeft, int ATop, int ARight, int ABottom)
      : Left(ALeft), Top(ATop), Right(ARight), Bottom(ABottom) {}
  constexpr int Width() const { return Right - Left; }
  constexpr int Height() const { return Bottom - Top; }
  constexpr TPoint TopLeft() const { return {Left, Top}; }
  constexpr TPoint BottomRight() const { return {Right, Bottom}; }
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
constexpr TRect Rect(int ALeft, int ATop, int ARight, int ABottom) { return {ALeft, ATop, ARight, ABottom}; }
constexpr TRectF RectF(float ALeft, float ATop, float ARight, float ABottom) {
  return {ALeft, ATop, ARight, ABottom};
}
