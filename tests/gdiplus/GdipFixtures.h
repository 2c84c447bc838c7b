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
#include "platform/vcl/Graphics.h"
#include "tests/support/PixelProbes.h"
#include "tools/PictureFiles.h"

namespace gdipfixtures {

// The picture files of tools/PictureFiles.h.
using namespace ::picturefiles;

// The probes of tests/support/PixelProbes.h: a pixel as a QColor with its
// alpha, colours within a tolerance in every channel.
using probe::ColorAt;
using probe::Near;

// A premultiplied GDI+ bitmap with a graphics on it; pixels are read back
// through the bitmap.
class TPargbSurface {
 public:
  TPargbSurface(int W, int H);
  // A pixel and all the pixels (ARGB32), once the graphics is flushed.
  QColor At(int X, int Y);
  QImage Image();
  KitGDIP::TGPBitmap bitmap;
  KitGDIP::TGPGraphics graphics;
};

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
  QColor At(int X, int Y) { return ColorAt(Image(), X, Y); }
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
