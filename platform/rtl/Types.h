#pragma once
// Geometry records of the run-time: TPoint, TSize and TRect with the
// framework's field names and helpers. Their layout matches the Win32
// POINT, SIZE and RECT records (two or four 32-bit integers).

#include <algorithm>
#include <cstdint>

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;

  constexpr TPoint() = default;
  constexpr TPoint(int32_t AX, int32_t AY) : X(AX), Y(AY) {}

  constexpr void Offset(int32_t DX, int32_t DY) {
    X += DX;
    Y += DY;
  }
  constexpr bool IsZero() const { return X == 0 && Y == 0; }
  constexpr bool operator==(const TPoint&) const = default;
  constexpr TPoint operator+(const TPoint& o) const { return {X + o.X, Y + o.Y}; }
  constexpr TPoint operator-(const TPoint& o) const { return {X - o.X, Y - o.Y}; }
};

struct TSize {
  int32_t cx = 0;
  int32_t cy = 0;

  constexpr TSize() = default;
  constexpr TSize(int32_t Acx, int32_t Acy) : cx(Acx), cy(Acy) {}

  constexpr int32_t Width() const { return cx; }
  constexpr int32_t Height() const { return cy; }
  constexpr bool IsZero() const { return cx == 0 && cy == 0; }
  constexpr bool operator==(const TSize&) const = default;
};

// A rectangle that includes its left and top edges and excludes its right
// and bottom ones, as the framework's TRect.
struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;

  constexpr TRect() = default;
  constexpr TRect(int32_t ALeft, int32_t ATop, int32_t ARight, int32_t ABottom)
      : Left(ALeft), Top(ATop), Right(ARight), Bottom(ABottom) {}
  constexpr TRect(const TPoint& ATopLeft, const TPoint& ABottomRight)
      : Left(ATopLeft.X), Top(ATopLeft.Y), Right(ABottomRight.X), Bottom(ABottomRight.Y) {}

  constexpr int32_t Width() const { return Right - Left; }
  constexpr int32_t Height() const { return Bottom - Top; }
  constexpr void SetWidth(int32_t Value) { Right = Left + Value; }
  constexpr void SetHeight(int32_t Value) { Bottom = Top + Value; }
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
  constexpr void Offset(int32_t DX, int32_t DY) {
    Left += DX;
    Right += DX;
    Top += DY;
    Bottom += DY;
  }
  constexpr void Inflate(int32_t DX, int32_t DY) {
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

constexpr TPoint Point(int32_t AX, int32_t AY) { return {AX, AY}; }
constexpr TRect Rect(int32_t ALeft, int32_t ATop, int32_t ARight, int32_t ABottom) {
  return {ALeft, ATop, ARight, ABottom};
}
constexpr TRect Bounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
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
