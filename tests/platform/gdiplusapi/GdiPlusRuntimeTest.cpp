// The GDI+ runtime over libgdiplus: shared start-up, lookup by name with
// substitutes and NotImplemented stubs, real drawing, the text lock.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include <dlfcn.h>

#include <atomic>
#include <cstring>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/gdiplusapi/GdiPlusRuntime.h"

namespace {

template <class F>
F Proc(const char* name) {
  return reinterpret_cast<F>(GdiplusProc(name));
}
#define GDIP(Name) Proc<PFN_##Name>(#Name)

// Starts GDI+ for the test and releases its user at the end.
class GdiPlusRuntime : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(GdiplusLibrary(), nullptr) << "libgdiplus.so.0 cannot be loaded";
    GdiplusStartupInput input;
    ASSERT_EQ(GdiplusStartupShared(&token_, &input, nullptr), Ok);
  }
  void TearDown() override { GdiplusShutdownShared(token_); }

  ULONG_PTR token_ = 0;
};

// The names the library does not export, and what the runtime answers for them.
const char* const kSupplied[] = {"GdipGetRegionBoundsI",        "GdipPathIterIsValid",
                                 "GdipFontCollectionEnumerable", "GdipFontCollectionEnumerate",
                                 "GdipCreateCachedBitmap",       "GdipDeleteCachedBitmap",
                                 "GdipDrawCachedBitmap"};
const char* const kNotImplemented[] = {"GdipComment", "GdipCreateBitmapFromGdiDib",
                                       "GdipCreateStreamOnFile", "GdipEmfToWmfBits",
                                       "GdipCreateMetafileFromWmfFile"};

TEST_F(GdiPlusRuntime, StartupIsCountedAndTheLibraryOutlivesTheLastUser) {
  const int before = GdiplusStartupCount();
  GdiplusStartupInput input;
  ULONG_PTR first = 0, second = 0;
  ASSERT_EQ(GdiplusStartupShared(&first, &input, nullptr), Ok);
  ASSERT_EQ(GdiplusStartupShared(&second, &input, nullptr), Ok);
  EXPECT_NE(first, 0u);
  EXPECT_NE(first, second);
  EXPECT_EQ(GdiplusStartupCount(), before + 2);

  GdiplusShutdownShared(first);
  GdiplusShutdownShared(first);  // a token released twice counts once
  GdiplusShutdownShared(0);      // and an unknown token not at all
  EXPECT_EQ(GdiplusStartupCount(), before + 1);

  // The other user still draws.
  GpBitmap* bitmap = nullptr;
  ASSERT_EQ(GDIP(GdipCreateBitmapFromScan0)(4, 4, 0, PixelFormat32bppARGB, nullptr, &bitmap), Ok);
  EXPECT_EQ(GDIP(GdipBitmapSetPixel)(bitmap, 1, 1, 0xFF00FF00), Ok);
  ARGB pixel = 0;
  EXPECT_EQ(GDIP(GdipBitmapGetPixel)(bitmap, 1, 1, &pixel), Ok);
  EXPECT_EQ(pixel, 0xFF00FF00);

  GdiplusShutdownShared(second);
  EXPECT_EQ(GdiplusStartupCount(), before);
  // The library keeps running to the end of the process: the bitmap is
  // still valid after the last user of this test has gone.
  EXPECT_TRUE(GdiplusLibraryStarted());
  EXPECT_EQ(GDIP(GdipDisposeImage)(bitmap), Ok);
}

TEST_F(GdiPlusRuntime, StartupRejectsBadArguments) {
  GdiplusStartupInput input;
  ULONG_PTR token = 0;
  EXPECT_EQ(GdiplusStartupShared(nullptr, &input, nullptr), InvalidParameter);
  EXPECT_EQ(GdiplusStartupShared(&token, nullptr, nullptr), InvalidParameter);
  input.GdiplusVersion = 2;
  EXPECT_EQ(GdiplusStartupShared(&token, &input, nullptr), UnsupportedGdiplusVersion);
  EXPECT_EQ(token, 0u);
}

TEST_F(GdiPlusRuntime, StartupThroughTheLookupIsTheSharedOne) {
  const int before = GdiplusStartupCount();
  GdiplusStartupInput input;
  GdiplusStartupOutput output{&input, &input};
  ULONG_PTR token = 0;
  ASSERT_EQ(GDIP(GdiplusStartup)(&token, &input, &output), Ok);
  EXPECT_EQ(output.NotificationHook, nullptr);  // no hooks: the background thread runs
  EXPECT_EQ(GdiplusStartupCount(), before + 1);
  GDIP(GdiplusShutdown)(token);
  EXPECT_EQ(GdiplusStartupCount(), before);
}

TEST_F(GdiPlusRuntime, MissingNamesAreKnownAndNeverNull) {
  for (const char* name : kSupplied) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(GdiplusExports(name));
    EXPECT_NE(GdiplusProc(name), nullptr);
  }
  for (const char* name : kNotImplemented) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(GdiplusExports(name));
    EXPECT_NE(GdiplusProc(name), nullptr);
  }
  EXPECT_TRUE(GdiplusExports("GdipCreatePath"));
  EXPECT_EQ(GdiplusProc("GdipNoSuchFunction"), nullptr);
  EXPECT_EQ(GdiplusProc(nullptr), nullptr);
}

TEST_F(GdiPlusRuntime, UnsuppliedNamesAnswerNotImplemented) {
  BYTE data[4] = {};
  EXPECT_EQ(GDIP(GdipComment)(nullptr, 4, data), NotImplemented);
  GpBitmap* bitmap = reinterpret_cast<GpBitmap*>(&data);
  EXPECT_EQ(GDIP(GdipCreateBitmapFromGdiDib)(nullptr, nullptr, &bitmap), NotImplemented);
  IStream* stream = nullptr;
  EXPECT_EQ(GDIP(GdipCreateStreamOnFile)(u"x.emf", 0, &stream), NotImplemented);
  GpMetafile* metafile = nullptr;
  EXPECT_EQ(GDIP(GdipCreateMetafileFromWmfFile)(u"x.wmf", nullptr, &metafile), NotImplemented);
  EXPECT_EQ(GDIP(GdipEmfToWmfBits)(nullptr, sizeof data, data, 8, 0), 0u);
}

TEST_F(GdiPlusRuntime, SolidFillOnABitmapOverOwnMemory) {
  // A premultiplied 32-bit bitmap over a QImage's pixels: GDI+ and QPainter
  // share the memory.
  QImage image(10, 8, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  GpBitmap* bitmap = nullptr;
  ASSERT_EQ(GDIP(GdipCreateBitmapFromScan0)(image.width(), image.height(),
                                            int(image.bytesPerLine()), PixelFormat32bppPARGB,
                                            image.bits(), &bitmap),
            Ok);
  GpGraphics* graphics = nullptr;
  ASSERT_EQ(GDIP(GdipGetImageGraphicsContext)(bitmap, &graphics), Ok);
  GpSolidFill* brush = nullptr;
  ASSERT_EQ(GDIP(GdipCreateSolidFill)(0xFF123456, &brush), Ok);
  EXPECT_EQ(GDIP(GdipFillRectangleI)(graphics, brush, 2, 3, 4, 2), Ok);
  EXPECT_EQ(GDIP(GdipFlush)(graphics, FlushIntentionSync), Ok);

  struct Probe {
    int x, y;
    ARGB expected;
  };
  const Probe probes[] = {{2, 3, 0xFF123456}, {5, 4, 0xFF123456}, {1, 3, 0},
                          {6, 3, 0},          {2, 2, 0},          {2, 5, 0}};
  for (const Probe& p : probes) {
    SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
    ARGB pixel = 0xDEADBEEF;
    EXPECT_EQ(GDIP(GdipBitmapGetPixel)(bitmap, p.x, p.y, &pixel), Ok);
    EXPECT_EQ(pixel, p.expected);
    EXPECT_EQ(image.pixel(p.x, p.y), p.expected);
  }
  ARGB pixel = 0;
  EXPECT_EQ(GDIP(GdipBitmapGetPixel)(bitmap, 10, 0, &pixel), InvalidParameter);

  EXPECT_EQ(GDIP(GdipDeleteBrush)(brush), Ok);
  EXPECT_EQ(GDIP(GdipDeleteGraphics)(graphics), Ok);
  EXPECT_EQ(GDIP(GdipDisposeImage)(bitmap), Ok);
}

TEST_F(GdiPlusRuntime, IntegerRegionBoundsCoverTheRealOnes) {
  const GpRectF rect{1.5f, 2.25f, 3.0f, 4.0f};
  GpRegion* region = nullptr;
  ASSERT_EQ(GDIP(GdipCreateRegionRect)(&rect, &region), Ok);
  GpBitmap* bitmap = nullptr;
  ASSERT_EQ(GDIP(GdipCreateBitmapFromScan0)(4, 4, 0, PixelFormat32bppARGB, nullptr, &bitmap), Ok);
  GpGraphics* graphics = nullptr;
  ASSERT_EQ(GDIP(GdipGetImageGraphicsContext)(bitmap, &graphics), Ok);
  GpRect bounds{};
  EXPECT_EQ(GDIP(GdipGetRegionBoundsI)(region, graphics, &bounds), Ok);
  EXPECT_EQ(bounds.X, 1);
  EXPECT_EQ(bounds.Y, 2);
  EXPECT_EQ(bounds.Width, 4);   // 1.5 .. 4.5 -> 1 .. 5
  EXPECT_EQ(bounds.Height, 5);  // 2.25 .. 6.25 -> 2 .. 7
  EXPECT_EQ(GDIP(GdipGetRegionBoundsI)(region, graphics, nullptr), InvalidParameter);
  GDIP(GdipDeleteRegion)(region);
  GDIP(GdipDeleteGraphics)(graphics);
  GDIP(GdipDisposeImage)(bitmap);
}

TEST_F(GdiPlusRuntime, PathIteratorValidity) {
  GpPath* path = nullptr;
  ASSERT_EQ(GDIP(GdipCreatePath)(FillModeAlternate, &path), Ok);
  GDIP(GdipAddPathLine)(path, 0, 0, 5, 5);
  GpPathIterator* iterator = nullptr;
  ASSERT_EQ(GDIP(GdipCreatePathIter)(&iterator, path), Ok);
  BOOL valid = FALSE;
  EXPECT_EQ(GDIP(GdipPathIterIsValid)(iterator, &valid), Ok);
  EXPECT_EQ(valid, TRUE);
  EXPECT_EQ(GDIP(GdipPathIterIsValid)(nullptr, &valid), InvalidParameter);
  GDIP(GdipDeletePathIter)(iterator);
  GDIP(GdipDeletePath)(path);
}

TEST_F(GdiPlusRuntime, CachedBitmapDrawsItsCopyUnscaled) {
  GpBitmap* source = nullptr;
  ASSERT_EQ(GDIP(GdipCreateBitmapFromScan0)(2, 2, 0, PixelFormat32bppARGB, nullptr, &source), Ok);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) GDIP(GdipBitmapSetPixel)(source, x, y, 0xFFFF0000);
  GpBitmap* target = nullptr;
  ASSERT_EQ(GDIP(GdipCreateBitmapFromScan0)(8, 8, 0, PixelFormat32bppARGB, nullptr, &target), Ok);
  GpGraphics* graphics = nullptr;
  ASSERT_EQ(GDIP(GdipGetImageGraphicsContext)(target, &graphics), Ok);
  GpCachedBitmap* cached = nullptr;
  ASSERT_EQ(GDIP(GdipCreateCachedBitmap)(source, graphics, &cached), Ok);
  GDIP(GdipDisposeImage)(source);  // the cached bitmap keeps its own copy
  EXPECT_EQ(GDIP(GdipDrawCachedBitmap)(graphics, cached, 3, 4), Ok);
  ARGB inside = 0, outside = 0;
  GDIP(GdipBitmapGetPixel)(target, 4, 5, &inside);
  GDIP(GdipBitmapGetPixel)(target, 5, 5, &outside);
  EXPECT_EQ(inside, 0xFFFF0000);
  EXPECT_EQ(outside, 0u);
  EXPECT_EQ(GDIP(GdipDrawCachedBitmap)(graphics, nullptr, 0, 0), InvalidParameter);
  EXPECT_EQ(GDIP(GdipDeleteCachedBitmap)(cached), Ok);
  GDIP(GdipDeleteGraphics)(graphics);
  GDIP(GdipDisposeImage)(target);
}

TEST_F(GdiPlusRuntime, FontCollectionEnumerationMatchesTheFamilyList) {
  GpFontCollection* installed = nullptr;
  ASSERT_EQ(GDIP(GdipNewInstalledFontCollection)(&installed), Ok);
  INT count = -1, enumerable = -1;
  ASSERT_EQ(GDIP(GdipGetFontCollectionFamilyCount)(installed, &count), Ok);
  EXPECT_EQ(GDIP(GdipFontCollectionEnumerable)(installed, nullptr, &enumerable), Ok);
  EXPECT_EQ(enumerable, count);
  EXPECT_GT(count, 0);  // the pinned test fonts
  std::vector<GpFontFamily*> families(size_t(count), nullptr);
  INT found = 0;
  EXPECT_EQ(GDIP(GdipFontCollectionEnumerate)(installed, count, families.data(), &found, nullptr),
            Ok);
  EXPECT_EQ(found, count);
  EXPECT_NE(families.front(), nullptr);
  for (GpFontFamily* family : families) GDIP(GdipDeleteFontFamily)(family);
}

TEST_F(GdiPlusRuntime, TextCallsWaitForTheTextLock) {
  GpFontFamily* family = nullptr;
  ASSERT_EQ(GDIP(GdipGetGenericFontFamilySansSerif)(&family), Ok);
  GpFont* font = nullptr;
  ASSERT_EQ(GDIP(GdipCreateFont)(family, 12.0f, 0, UnitPixel, &font), Ok);
  GpBitmap* bitmap = nullptr;
  ASSERT_EQ(GDIP(GdipCreateBitmapFromScan0)(50, 20, 0, PixelFormat32bppARGB, nullptr, &bitmap),
            Ok);
  GpGraphics* graphics = nullptr;
  ASSERT_EQ(GDIP(GdipGetImageGraphicsContext)(bitmap, &graphics), Ok);

  std::atomic<bool> done{false};
  GpRectF box{};
  Status status = GenericError;
  std::unique_lock held(GdiplusTextLock());
  std::thread measurer([&] {
    const GpRectF layout{0, 0, 1000, 100};
    status = GDIP(GdipMeasureString)(graphics, u"Hello", 5, font, &layout, nullptr, &box, nullptr,
                                     nullptr);
    done = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(done);
  held.unlock();
  measurer.join();
  EXPECT_TRUE(done);
  EXPECT_EQ(status, Ok);
  EXPECT_GT(box.Width, 0.0f);

  GDIP(GdipDeleteGraphics)(graphics);
  GDIP(GdipDisposeImage)(bitmap);
  GDIP(GdipDeleteFont)(font);
  GDIP(GdipDeleteFontFamily)(family);
}

}  // namespace

namespace {

TEST_F(GdiPlusRuntime, LockBitsStaysInsideTheDocumentedRecord) {
  GpBitmap* bitmap = nullptr;
  ASSERT_EQ(GDIP(GdipCreateBitmapFromScan0)(4, 3, 0, PixelFormat32bppARGB, nullptr, &bitmap), Ok);
  struct Guarded {
    BitmapData data;
    unsigned char guard[128];
  } record;
  std::memset(&record, 0xAB, sizeof record);
  const GpRect rect{0, 0, 4, 3};
  ASSERT_EQ(GDIP(GdipBitmapLockBits)(bitmap, &rect, 3, PixelFormat32bppARGB, &record.data), Ok);
  for (unsigned char byte : record.guard) ASSERT_EQ(byte, 0xAB);
  EXPECT_EQ(record.data.Width, 4u);
  EXPECT_EQ(record.data.Height, 3u);
  EXPECT_GE(record.data.Stride, 16);
  ASSERT_NE(record.data.Scan0, nullptr);
  auto* row = reinterpret_cast<uint32_t*>(static_cast<BYTE*>(record.data.Scan0) +
                                          2 * record.data.Stride);
  row[1] = 0xFF0000FF;
  // A second lock with the same record is refused while the first holds.
  EXPECT_EQ(GDIP(GdipBitmapLockBits)(bitmap, &rect, 3, PixelFormat32bppARGB, &record.data),
            WrongState);
  EXPECT_EQ(GDIP(GdipBitmapUnlockBits)(bitmap, &record.data), Ok);
  EXPECT_EQ(GDIP(GdipBitmapUnlockBits)(bitmap, &record.data), WrongState);
  ARGB pixel = 0;
  EXPECT_EQ(GDIP(GdipBitmapGetPixel)(bitmap, 1, 2, &pixel), Ok);
  EXPECT_EQ(pixel, 0xFF0000FFu);
  EXPECT_EQ(GDIP(GdipBitmapLockBits)(bitmap, &rect, 3, PixelFormat32bppARGB, nullptr),
            InvalidParameter);
  GDIP(GdipDisposeImage)(bitmap);
}

class GdiPlusTransformPoints : public GdiPlusRuntime {
 protected:
  void SetUp() override {
    GdiPlusRuntime::SetUp();
    ASSERT_EQ(GDIP(GdipCreateBitmapFromScan0)(4, 4, 0, PixelFormat32bppARGB, nullptr, &bitmap_),
              Ok);
    ASSERT_EQ(GDIP(GdipGetImageGraphicsContext)(bitmap_, &graphics_), Ok);
    ASSERT_EQ(GDIP(GdipGetDpiX)(graphics_, &dpi_), Ok);
  }
  void TearDown() override {
    GDIP(GdipDeleteGraphics)(graphics_);
    GDIP(GdipDisposeImage)(bitmap_);
    GdiPlusRuntime::TearDown();
  }
  GpBitmap* bitmap_ = nullptr;
  GpGraphics* graphics_ = nullptr;
  REAL dpi_ = 0;
};

TEST_F(GdiPlusTransformPoints, MapsBetweenWorldPageAndDevice) {
  // World: scale 2 then move by (10, 5); page: inches at half scale.
  ASSERT_EQ(GDIP(GdipScaleWorldTransform)(graphics_, 2, 2, MatrixOrderAppend), Ok);
  ASSERT_EQ(GDIP(GdipTranslateWorldTransform)(graphics_, 10, 5, MatrixOrderAppend), Ok);
  ASSERT_EQ(GDIP(GdipSetPageUnit)(graphics_, UnitInch), Ok);
  // The runtime refuses page scales other than 1 (the library does not draw
  // with them); the library's own setter stores one, and the transform of
  // points still honours what the graphics holds.
  auto storeScale =
      reinterpret_cast<PFN_GdipSetPageScale>(dlsym(GdiplusLibrary(), "GdipSetPageScale"));
  ASSERT_NE(storeScale, nullptr);
  ASSERT_EQ(storeScale(graphics_, 0.5f), Ok);
  const float k = dpi_ * 0.5f;  // device pixels per page unit

  struct Case {
    CoordinateSpace dest, source;
    GpPointF in, out;
  };
  const Case cases[] = {
      {CoordinateSpacePage, CoordinateSpaceWorld, {1, 2}, {12, 9}},
      {CoordinateSpaceDevice, CoordinateSpacePage, {1, 2}, {k, 2 * k}},
      {CoordinateSpaceDevice, CoordinateSpaceWorld, {1, 2}, {12 * k, 9 * k}},
      {CoordinateSpaceWorld, CoordinateSpacePage, {12, 9}, {1, 2}},
      {CoordinateSpaceWorld, CoordinateSpaceDevice, {12 * k, 9 * k}, {1, 2}},
      {CoordinateSpaceWorld, CoordinateSpaceWorld, {3, 4}, {3, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.source << " -> " << c.dest);
    GpPointF p = c.in;
    ASSERT_EQ(GDIP(GdipTransformPoints)(graphics_, c.dest, c.source, &p, 1), Ok);
    EXPECT_NEAR(p.X, c.out.X, 1e-3);
    EXPECT_NEAR(p.Y, c.out.Y, 1e-3);
  }
}

TEST_F(GdiPlusTransformPoints, IntegerPointsRoundAndBadInputIsRefused) {
  ASSERT_EQ(GDIP(GdipTranslateWorldTransform)(graphics_, 0.5f, -0.25f, MatrixOrderAppend), Ok);
  GpPoint points[2] = {{1, 1}, {-3, 2}};
  ASSERT_EQ(GDIP(GdipTransformPointsI)(graphics_, CoordinateSpaceDevice, CoordinateSpaceWorld,
                                       points, 2),
            Ok);
  EXPECT_EQ(points[0].X, 2);  // 1.5 rounds up
  EXPECT_EQ(points[0].Y, 1);  // 0.75
  EXPECT_EQ(points[1].X, -2);  // -2.5 rounds up
  EXPECT_EQ(points[1].Y, 2);  // 1.75

  GpPointF p{1, 1};
  EXPECT_EQ(GDIP(GdipTransformPoints)(graphics_, CoordinateSpaceDevice, CoordinateSpaceWorld, &p,
                                      0),
            InvalidParameter);
  EXPECT_EQ(GDIP(GdipTransformPoints)(nullptr, CoordinateSpaceDevice, CoordinateSpaceWorld, &p, 1),
            InvalidParameter);
  EXPECT_EQ(GDIP(GdipTransformPoints)(graphics_, CoordinateSpace(7), CoordinateSpaceWorld, &p, 1),
            InvalidParameter);
}

}  // namespace

namespace {

QByteArray Encode(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return bytes;
}

TEST_F(GdiPlusRuntime, ImagesLoadFromAndSaveToMemory) {
  QImage source(3, 2, QImage::Format_ARGB32);
  source.fill(0xFF0000FF);
  source.setPixel(2, 1, 0xFF00FF00);

  for (const char* format : {"PNG", "BMP"}) {
    SCOPED_TRACE(format);
    GpImage* image = nullptr;
    ASSERT_EQ(GdiplusLoadImageFromBytes(Encode(source, format), &image), Ok);
    ASSERT_NE(image, nullptr);
    UINT width = 0, height = 0;
    GDIP(GdipGetImageWidth)(image, &width);
    GDIP(GdipGetImageHeight)(image, &height);
    EXPECT_EQ(width, 3u);
    EXPECT_EQ(height, 2u);
    ARGB pixel = 0;
    EXPECT_EQ(GDIP(GdipBitmapGetPixel)(image, 2, 1, &pixel), Ok);
    EXPECT_EQ(pixel, 0xFF00FF00u);
    EXPECT_EQ(GDIP(GdipBitmapGetPixel)(image, 0, 0, &pixel), Ok);
    EXPECT_EQ(pixel, 0xFF0000FFu);

    QByteArray saved;
    ASSERT_EQ(GdiplusSaveImageToBytes(image, GdiplusEncoderPng, nullptr, saved), Ok);
    const QImage back = QImage::fromData(saved, "PNG");
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.size(), source.size());
    EXPECT_EQ(back.pixel(2, 1), 0xFF00FF00u);
    EXPECT_EQ(back.pixel(1, 1), 0xFF0000FFu);
    GDIP(GdipDisposeImage)(image);
  }
}

TEST_F(GdiPlusRuntime, ImageBytesThatAreNoImageAreRefused) {
  GpImage* image = reinterpret_cast<GpImage*>(this);
  EXPECT_EQ(GdiplusLoadImageFromBytes(QByteArray(), &image), InvalidParameter);
  EXPECT_EQ(image, nullptr);
  image = reinterpret_cast<GpImage*>(this);
  EXPECT_NE(GdiplusLoadImageFromBytes(QByteArray("not an image at all"), &image), Ok);
  EXPECT_EQ(image, nullptr);
  QByteArray bytes("kept");
  EXPECT_EQ(GdiplusSaveImageToBytes(nullptr, GdiplusEncoderPng, nullptr, bytes),
            InvalidParameter);
  EXPECT_EQ(bytes, QByteArray("kept"));
}

}  // namespace

namespace {

// Fills a large rectangle through the graphics of a DC and reports which
// probe points turned red.
class GdiPlusOverDc : public GdiPlusRuntime {
 protected:
  void SetUp() override {
    GdiPlusRuntime::SetUp();
    image_ = QImage(20, 16, QImage::Format_ARGB32_Premultiplied);
    image_.fill(Qt::white);
    dc_ = CreateImageDC(&image_);
    ASSERT_NE(dc_, nullptr);
  }
  void TearDown() override {
    DeleteDC(dc_);
    GdiPlusRuntime::TearDown();
  }
  void Fill(REAL x, REAL y, REAL w, REAL h) {
    GpGraphics* graphics = nullptr;
    ASSERT_EQ(GDIP(GdipCreateFromHDC)(dc_, &graphics), Ok);
    GpSolidFill* brush = nullptr;
    ASSERT_EQ(GDIP(GdipCreateSolidFill)(0xFFFF0000, &brush), Ok);
    EXPECT_EQ(GDIP(GdipFillRectangle)(graphics, brush, x, y, w, h), Ok);
    GDIP(GdipDeleteBrush)(brush);
    EXPECT_EQ(GDIP(GdipDeleteGraphics)(graphics), Ok);  // takes its bitmap along
  }
  bool Red(int x, int y) const { return image_.pixel(x, y) == 0xFFFF0000u; }

  QImage image_;
  HDC dc_ = nullptr;
};

TEST_F(GdiPlusOverDc, DrawsIntoTheDcImageWithItsOriginAndClip) {
  SetViewportOrgEx(dc_, 5, 4, nullptr);
  IntersectClipRect(dc_, 0, 0, 6, 6);  // device (5,4) .. (11,10)
  Fill(-100, -100, 300, 300);
  EXPECT_TRUE(Red(5, 4));
  EXPECT_TRUE(Red(10, 9));
  EXPECT_FALSE(Red(11, 9));
  EXPECT_FALSE(Red(10, 10));
  EXPECT_FALSE(Red(4, 4));
  EXPECT_FALSE(Red(5, 3));
}

TEST_F(GdiPlusOverDc, OriginMovesLogicalCoordinates) {
  struct Case {
    int ox, oy;  // viewport origin
    int px, py;  // device pixel of logical (1, 1)
  };
  const Case cases[] = {{0, 0, 1, 1}, {6, 3, 7, 4}, {-1, -1, 0, 0}, {25, 0, 26, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.ox << "," << c.oy);
    image_.fill(Qt::white);
    SetViewportOrgEx(dc_, c.ox, c.oy, nullptr);
    Fill(1, 1, 2, 2);
    const bool visible = c.px < image_.width() && c.py < image_.height();
    if (visible) {
      EXPECT_TRUE(Red(c.px, c.py));
      EXPECT_TRUE(Red(c.px + 1, c.py + 1));
      EXPECT_FALSE(Red(c.px + 2, c.py + 2));
      if (c.px > 0) {
        EXPECT_FALSE(Red(c.px - 1, c.py));
      }
    } else {
      EXPECT_EQ(image_.pixel(19, 1), 0xFFFFFFFFu);
    }
  }
}

TEST_F(GdiPlusOverDc, DcWithoutImageIsRefused) {
  GpGraphics* graphics = reinterpret_cast<GpGraphics*>(this);
  EXPECT_EQ(GDIP(GdipCreateFromHDC)(nullptr, &graphics), InvalidParameter);
  EXPECT_EQ(graphics, nullptr);
  HDC memory = CreateCompatibleDC(dc_);  // holds its default bitmap
  EXPECT_EQ(GDIP(GdipCreateFromHDC)(memory, &graphics), InvalidParameter);
  DeleteDC(memory);
  EXPECT_EQ(GDIP(GdipCreateFromHDC)(dc_, nullptr), InvalidParameter);
}

}  // namespace
