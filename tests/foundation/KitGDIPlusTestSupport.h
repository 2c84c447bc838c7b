#pragma once
// What the tests of the run-time GDI+ wrapper classes share: the binding
// started for each test, entries of the table replaced by fakes for a scope,
// a small PARGB surface over a QImage the tests probe, and colour relations.

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QString>

#include <cstdlib>
#include <memory>

#include "foundation/KitGDIPlusClasses.h"
#include "tests/support/PixelProbes.h"

namespace gdiptest {

using namespace KitGDIPlusClasses;

// Each test runs with the binding loaded and started, and ends with it
// finalised (shared objects freed, start-up released, table unloaded).
class GdipTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitializeKitGDIPlusClasses();
    ASSERT_NE(GdiPlusLibraryHandle, nullptr) << "libgdiplus.so.0 cannot be loaded";
    ASSERT_NE(GdiPlusToken, 0u);
  }
  void TearDown() override { FinalizeKitGDIPlusClasses(); }
};

// Replaces an entry of the table for a scope, so a test sees the arguments a
// wrapper passes or makes GDI+ answer a chosen status.
template <class F>
class EntryOverride {
 public:
  EntryOverride(F& entry, F fake) : entry_(entry), saved_(entry) { entry_ = fake; }
  ~EntryOverride() { entry_ = saved_; }
  EntryOverride(const EntryOverride&) = delete;
  EntryOverride& operator=(const EntryOverride&) = delete;

 private:
  F& entry_;
  F saved_;
};

// Where a surface's graphics draws: a GDI+ bitmap over the picture's pixels,
// or a device context of the layer over them that GDI has painted first.
enum class Backing { Bitmap, DeviceContext };

// The backing new surfaces take unless told otherwise.
inline Backing& DefaultBacking() {
  static Backing backing = Backing::Bitmap;
  return backing;
}

// A 32bpp PARGB picture (white unless told otherwise) with a graphics
// drawing into its pixels.
class Surface {
 public:
  explicit Surface(int w = 20, int h = 20, QRgb fill = 0xFFFFFFFF,
                   Backing backing = DefaultBacking())
      : image_(w, h, QImage::Format_ARGB32_Premultiplied) {
    if (backing == Backing::Bitmap) {
      image_.fill(fill);
      bitmap_ = std::make_unique<TGPBitmap>(w, h, int(image_.bytesPerLine()),
                                            PixelFormat32bppPARGB, image_.bits());
      graphics_ = std::make_unique<TGPGraphics>(bitmap_.get());
    } else {
      image_.fill(0);
      dc_ = CreateImageDC(&image_);
      HBRUSH brush = CreateSolidBrush(RGB(qRed(fill), qGreen(fill), qBlue(fill)));
      const RECT all{0, 0, w, h};
      FillRect(dc_, &all, brush);  // GDI paints the background
      DeleteObject(brush);
      graphics_ = std::make_unique<TGPGraphics>(dc_);
    }
  }
  ~Surface() {
    graphics_.reset();
    bitmap_.reset();
    if (dc_) DeleteDC(dc_);
  }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  TGPGraphics& g() { return *graphics_; }
  // The picture as drawn so far.
  const QImage& image() {
    graphics_->Flush(FlushIntentionSync);
    return image_;
  }
  QRgb Px(int x, int y) { return image().pixel(x, y); }
  // Bounding box of the pixels that differ from bg (alpha included), and
  // how many pixels are exactly c.
  QRect Ink(QRgb bg = 0xFFFFFFFF) { return probe::Box(image(), probe::NotArgb(bg)); }
  int Count(QRgb c) { return probe::Count(image(), probe::IsArgb(c)); }

 private:
  QImage image_;
  HDC dc_ = nullptr;
  std::unique_ptr<TGPBitmap> bitmap_;
  std::unique_ptr<TGPGraphics> graphics_;
};

// Colour relations for anti-aliased and interpolated pixels.
using probe::Near;
inline int Red(QRgb c) { return qRed(c); }
inline int Green(QRgb c) { return qGreen(c); }
inline int Blue(QRgb c) { return qBlue(c); }

// Keeps a picture of a test for a look when TF_TEST_PICTURES names a folder.
inline void KeepPicture(const QImage& image, const QString& name) {
  const QByteArray folder = qgetenv("TF_TEST_PICTURES");
  if (folder.isEmpty()) return;
  QDir().mkpath(QString::fromLocal8Bit(folder));
  const QString suffix = DefaultBacking() == Backing::DeviceContext ? QStringLiteral("-dc") : QString();
  image.save(QString::fromLocal8Bit(folder) + QLatin1Char('/') + name + suffix +
             QStringLiteral(".png"));
}

}  // namespace gdiptest
