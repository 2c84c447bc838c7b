#pragma once
// Picture files made by the tests themselves: every format the GDI+
// pictures read, small and with known pixels, and a surface to draw on with
// GDI+ and GDI alike.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>

#include <memory>
#include <vector>

#include "foundation/KitTypes.h"
#include "gdiplus/KitGDIP.h"
#include "platform/vcl/Graphics.h"

namespace gdipfixtures {

// A W x H image in four quadrants: red top-left, green top-right, blue
// bottom-left, white bottom-right (opaque).
QImage Quadrants(int W, int H);

QByteArray Png(const QImage& Image);
QByteArray Jpeg(const QImage& Image, int Quality = 95);
// A 24-bit BMP (bottom-up), or top-down with a negative height.
QByteArray Bmp(const QImage& Image, bool TopDown = false);
// A TIFF through the GDI+ encoder (little-endian "II"); BigEndian rewrites
// it as an "MM" file with the same content.
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

// The pixel of an ARGB32-premultiplied image as an opaque-or-not QColor.
QColor Pixel(const QImage& Image, int X, int Y);
// True when the two colours differ by at most Tolerance in every channel.
bool Near(const QColor& A, const QColor& B, int Tolerance = 8);

// A surface that GDI+ and GDI both draw on: a bitmap of the window layer
// (premultiplied ARGB) with its canvas and a static-binding graphics over
// its device context.
class TSurface {
 public:
  TSurface(int W, int H, QColor Fill = Qt::white);
  ~TSurface();
  TBitmap* Bitmap() { return FBitmap.get(); }
  TCanvas* Canvas() { return FBitmap->Canvas(); }
  // A new graphics over the canvas (the caller frees it, before reading
  // pixels).
  std::unique_ptr<KitGDIP::TGPGraphics> Graphics();
  // The pixels as they are now.
  QImage Image();
  QColor At(int X, int Y) { return Pixel(Image(), X, Y); }
  bool Save(const QString& FileName) { return Image().save(FileName); }

 private:
  std::unique_ptr<TBitmap> FBitmap;
};

// A stand-in SVG engine: a document is "SVG" when it holds "<svg" and its
// text "viewBox a b c d" sets the view box; Draw fills the rectangle it is
// given with magenta on the canvas. Announced for the life of the object.
class TStandInSVG {
 public:
  TStandInSVG();
  ~TStandInSVG();
  // A document of that view box size.
  static QByteArray Document(int W, int H);
};

// Writes the bytes to a file; the path.
QString WriteFile(const QString& Path, const QByteArray& Bytes);

// Where the tests put the pictures they make to be looked at (the build
// folder's "test-pictures"), created when missing.
QString PictureFolder();

}  // namespace gdipfixtures
