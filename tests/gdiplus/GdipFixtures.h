#pragma once
// What the GDI+ tests share: the picture files they make (every format the
// GDI+ pictures read, small and with known pixels), a surface to draw on
// with GDI+ and GDI alike, and a stand-in SVG engine.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>

#include <memory>
#include <vector>

#include "foundation/KitTypes.h"
#include "gdiplus/KitGDIP.h"
#include "tools/PictureFiles.h"
#include "platform/vcl/Graphics.h"

namespace gdipfixtures {

// The picture files of tools/PictureFiles.h.
using namespace ::picturefiles;

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
