#pragma once
// Picture files made from scratch, small and with known pixels: PNG, JPEG,
// BMP, TIFF, ICO, GIF (with frames), WMF and EMF. For tests and benchmarks
// of the picture classes.

#include <QByteArray>
#include <QImage>

#include <vector>

namespace picturefiles {

// A W x H image in four quadrants: red top-left, green top-right, blue
// bottom-left, white bottom-right (opaque).
QImage Quadrants(int W, int H);

QByteArray Png(const QImage& Image);
QByteArray Jpeg(const QImage& Image, int Quality = 95);
// A 24-bit BMP (bottom-up), or top-down with a negative height.
QByteArray Bmp(const QImage& Image, bool TopDown = false);
// An uncompressed 24-bit TIFF, little-endian ("II") or big-endian ("MM");
// the width is stored as a SHORT and the height as a LONG.
QByteArray Tiff(const QImage& Image, bool BigEndian = false);
// An icon holding one 32-bit image.
QByteArray Ico(const QImage& Image);

// A GIF89a with a 4-colour table (red, green, blue, white) and one frame per
// entry of Delays (hundredths of a second); frame i covers the logical
// screen inset by 2 * i pixels and is filled with colour i % 4. With
// Comments, a comment block holding 0x2C and 0x21 F9 04 bytes stands
// between each graphic control extension and its image descriptor; with
// NoControl the frames have no graphic control extension.
struct TGifOptions {
  int Width = 16;
  int Height = 12;
  std::vector<int> Delays{10};
  bool Comments = false;
  bool NoControl = false;
};
QByteArray Gif(const TGifOptions& Options);

// A placeable WMF of W x H pixels at 96 DPI (logical units of 1/1440 inch)
// filling its frame red with a black outline.
QByteArray Wmf(int W, int H);
// An EMF of W x H pixels whose polygon covers its middle half (W/4, H/4 to
// 3W/4, 3H/4) in green.
QByteArray Emf(int W, int H);

}  // namespace picturefiles
