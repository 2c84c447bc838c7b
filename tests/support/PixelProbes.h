#pragma once
// Pixel probes of the painting tests: reading pixels, counting the pixels
// that match and boxing them in, colour nearness. Every probe reads the
// image through QImage::pixel, so premultiplied images give their colours
// unpremultiplied, as 0xAARRGGBB.
//
// A match is any callable taking a QRgb; the usual ones are made here
// (IsRgb, NotRgb, IsBgr, NotBgr, NearTo, FarFrom). Windows colours
// (COLORREF, TColor: 0x00BBGGRR) are compared with IsBgr/NotBgr, so the
// probes need neither GDI nor the graphics classes.

#include <QColor>
#include <QImage>
#include <QRect>
#include <cstdint>
#include <cstdlib>

namespace probe {

// The pixel as 0xAARRGGBB; 0 outside the image.
inline QRgb At(const QImage& Image, int X, int Y) { return Image.valid(X, Y) ? Image.pixel(X, Y) : 0; }
// A colour without its alpha, in Windows order (0x00BBGGRR).
inline uint32_t Bgr(QRgb P) { return uint32_t(qRed(P)) | uint32_t(qGreen(P)) << 8 | uint32_t(qBlue(P)) << 16; }
// The pixel's colour without its alpha, in Windows order.
inline uint32_t BgrAt(const QImage& Image, int X, int Y) { return Bgr(At(Image, X, Y)); }
// The pixel as a colour with its alpha; an invalid colour outside the image.
inline QColor ColorAt(const QImage& Image, int X, int Y) {
  return Image.valid(X, Y) ? QColor::fromRgba(Image.pixel(X, Y)) : QColor();
}

// True when every channel (alpha included) differs by at most Tolerance.
inline bool Near(QRgb A, QRgb B, int Tolerance = 8) {
  return std::abs(qRed(A) - qRed(B)) <= Tolerance && std::abs(qGreen(A) - qGreen(B)) <= Tolerance &&
         std::abs(qBlue(A) - qBlue(B)) <= Tolerance && std::abs(qAlpha(A) - qAlpha(B)) <= Tolerance;
}
inline bool Near(const QColor& A, const QColor& B, int Tolerance = 8) { return Near(A.rgba(), B.rgba(), Tolerance); }

// Matches.
// The colour is Rgb (alpha left out of the comparison).
inline auto IsRgb(QRgb Rgb) {
  return [Rgb](QRgb p) { return (p & 0xFFFFFF) == (Rgb & 0xFFFFFF); };
}
inline auto NotRgb(QRgb Rgb) {
  return [Rgb](QRgb p) { return (p & 0xFFFFFF) != (Rgb & 0xFFFFFF); };
}
// The colour is the Windows colour Color (0x00BBGGRR; alpha left out; a
// value with flags in its high byte, as system colours have, matches none).
inline auto IsBgr(uint32_t Color) {
  return [Color](QRgb p) { return Bgr(p) == Color; };
}
inline auto NotBgr(uint32_t Color) {
  return [Color](QRgb p) { return Bgr(p) != Color; };
}
// Every channel (alpha included) within Tolerance of Argb, or not.
inline auto NearTo(QRgb Argb, int Tolerance = 8) {
  return [Argb, Tolerance](QRgb p) { return Near(p, Argb, Tolerance); };
}
inline auto FarFrom(QRgb Argb, int Tolerance = 8) {
  return [Argb, Tolerance](QRgb p) { return !Near(p, Argb, Tolerance); };
}
// Exactly this ARGB value, alpha included.
inline auto IsArgb(QRgb Argb) {
  return [Argb](QRgb p) { return p == Argb; };
}
inline auto NotArgb(QRgb Argb) {
  return [Argb](QRgb p) { return p != Argb; };
}

// The area inside the image (a null area: the whole image).
inline QRect Within(const QImage& Image, const QRect& Area) {
  return Area.isNull() ? Image.rect() : (Area & Image.rect());
}

// How many pixels of the area match.
template <class Match>
int Count(const QImage& Image, Match&& Matches, const QRect& Area = QRect()) {
  const QRect area = Within(Image, Area);
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += Matches(Image.pixel(x, y)) ? 1 : 0;
  return n;
}

// The bounding box of the pixels of the area that match (empty: none).
template <class Match>
QRect Box(const QImage& Image, Match&& Matches, const QRect& Area = QRect()) {
  const QRect area = Within(Image, Area);
  QRect box;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (Matches(Image.pixel(x, y))) box |= QRect(x, y, 1, 1);
  return box;
}

// How many different colours (alpha included) the area holds.
int DistinctColors(const QImage& Image, const QRect& Area = QRect());

// Luminance of a colour, 0..255 (ITU-R BT.601 weights).
inline int Luminance(QRgb C) { return (qRed(C) * 299 + qGreen(C) * 587 + qBlue(C) * 114) / 1000; }

// The colour (0xRRGGBB, alpha left out) that covers most of the area, and
// how many of its pixels stand out from it by at least MinContrast in
// luminance: text is legible on its ground when Ink is large enough.
struct TLegibility {
  QRgb Ground = 0;
  int Ink = 0;
};
TLegibility Legibility(const QImage& Image, const QRect& Area, int MinContrast);

}  // namespace probe
