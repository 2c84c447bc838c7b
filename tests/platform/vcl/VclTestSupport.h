#pragma once
// Helpers of the graphics tests: pixel probes on images in TColor terms,
// fixture bytes made with Qt's writers, and streams over bytes.

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <memory>
#include <vector>

#include "platform/rtl/Streams.h"
#include "platform/vcl/Graphics.h"
#include "tests/support/PixelProbes.h"

namespace vcltest {

// The probes of tests/support/PixelProbes.h in TColor terms: the RGB colour
// of a pixel (alpha left out), the bounding box of the pixels that differ
// from Bg (empty: none), the number of pixels of a colour.
inline TColor Px(const QImage& image, int x, int y) { return TColor(probe::BgrAt(image, x, y)); }
inline QRect Ink(const QImage& image, TColor Bg) { return probe::Box(image, probe::NotBgr(uint32_t(Bg))); }
inline int Count(const QImage& image, TColor Color) { return probe::Count(image, probe::IsBgr(uint32_t(Color))); }

// A bitmap of the size and format filled with one colour.
std::unique_ptr<TBitmap> FilledBitmap(int Width, int Height, TColor Color, TPixelFormat Format = pf24bit);

// Four quadrants: red top-left, green top-right, blue bottom-left, yellow
// bottom-right (opaque).
QImage Quadrants(int Width, int Height);

// Bytes of an image written by Qt in a format ("png", "jpg", "bmp", "ico").
QByteArray Encode(const QImage& image, const char* format, int quality = -1);

// A 4 x 2 GIF: red, red, blue, blue / green, green, transparent, transparent.
QByteArray TinyGif();

// An ICO file of the given images (each stored as a 32-bit DIB with alpha
// and an AND mask, or as PNG when asPng).
QByteArray MakeIco(const std::vector<QImage>& images, bool asPng = false);

// A memory stream holding Bytes, positioned at the start.
std::unique_ptr<TMemoryStream> StreamOf(const QByteArray& Bytes);
QByteArray BytesOf(TMemoryStream& Stream);

// Little-endian writers for hand-made files.
void Put16(QByteArray& b, int at, uint16_t v);
void Put32(QByteArray& b, int at, uint32_t v);

}  // namespace vcltest
