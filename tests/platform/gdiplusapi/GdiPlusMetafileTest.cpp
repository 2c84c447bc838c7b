// Windows metafiles through the runtime: drawn into the whole rectangle
// asked for, and at a point in the size their header gives.

#include <gtest/gtest.h>

#include <QImage>

#include "platform/gdiplusapi/GdiPlusRuntime.h"
#include "tests/support/PixelProbes.h"

namespace {

template <class F>
F Proc(const char* name) {
  return reinterpret_cast<F>(GdiplusProc(name));
}
#define GDIP(Name) Proc<PFN_##Name>(#Name)

void Put16(QByteArray& b, int v) {
  b.append(char(v & 0xFF));
  b.append(char((v >> 8) & 0xFF));
}
void Put32(QByteArray& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.append(char((v >> (8 * i)) & 0xFF));
}

// A placeable metafile of lw x lh logical units at `inch` units per inch,
// filled red.
QByteArray RedMetafile(int lw, int lh, int inch) {
  QByteArray b;
  Put32(b, 0x9AC6CDD7);
  for (int v : {0, 0, 0, lw, lh, inch}) Put16(b, v);
  Put32(b, 0);
  uint16_t sum = 0;
  for (int i = 0; i < 20; i += 2) sum ^= uint16_t(uchar(b[i]) | (uchar(b[i + 1]) << 8));
  Put16(b, sum);
  QByteArray records;
  auto record = [&](int function, std::initializer_list<int> params) {
    Put32(records, uint32_t(3 + params.size()));
    Put16(records, function);
    for (int p : params) Put16(records, p);
  };
  record(0x020B, {0, 0});
  record(0x020C, {lh, lw});
  Put32(records, 7);
  Put16(records, 0x02FC);
  Put16(records, 0);
  Put32(records, 0x000000FF);
  Put16(records, 0);
  record(0x012D, {0});
  record(0x041B, {lh, lw, 0, 0});
  record(0x0000, {});
  QByteArray header;
  for (int v : {1, 9, 0x300}) Put16(header, v);
  Put32(header, uint32_t((18 + records.size()) / 2));
  Put16(header, 1);
  Put32(header, 7);
  Put16(header, 0);
  return b + header + records;
}

// The bounding box of the red pixels after drawing with Draw.
template <class F>
QRect RedBox(const QByteArray& metafile, F draw) {
  GpImage* image = nullptr;
  EXPECT_EQ(GdiplusLoadImageFromBytes(metafile, &image), Ok);
  QImage pixels(200, 160, QImage::Format_ARGB32_Premultiplied);
  pixels.fill(Qt::white);
  GpBitmap* bitmap = nullptr;
  GDIP(GdipCreateBitmapFromScan0)(200, 160, int(pixels.bytesPerLine()), PixelFormat32bppPARGB, pixels.bits(), &bitmap);
  GpGraphics* graphics = nullptr;
  GDIP(GdipGetImageGraphicsContext)(bitmap, &graphics);
  EXPECT_EQ(draw(graphics, image), Ok);
  GDIP(GdipDeleteGraphics)(graphics);
  GDIP(GdipDisposeImage)(bitmap);
  GDIP(GdipDisposeImage)(image);
  return probe::Box(pixels, [](QRgb c) { return qRed(c) > 200 && qGreen(c) < 60; });
}

class GdiPlusMetafiles : public ::testing::Test {
 protected:
  void SetUp() override {
    GdiplusStartupInput input;
    ASSERT_EQ(GdiplusStartupShared(&token_, &input, nullptr), Ok);
  }
  void TearDown() override { GdiplusShutdownShared(token_); }
  ULONG_PTR token_ = 0;
};

TEST_F(GdiPlusMetafiles, DrawnIntoTheWholeRectangleWhateverTheirResolution) {
  for (int inch : {1440, 96, 576}) {
    SCOPED_TRACE(inch);
    const QByteArray wmf = RedMetafile(inch / 4, inch / 8, inch);  // a quarter by an eighth of an inch
    const QRect rect = RedBox(wmf, [](GpGraphics* g, GpImage* i) { return GDIP(GdipDrawImageRectI)(g, i, 20, 30, 120, 90); });
    EXPECT_NEAR(rect.left(), 20, 2);
    EXPECT_NEAR(rect.top(), 30, 2);
    EXPECT_NEAR(rect.right(), 139, 2);
    EXPECT_NEAR(rect.bottom(), 119, 2);
    const QRect real = RedBox(wmf, [](GpGraphics* g, GpImage* i) { return GDIP(GdipDrawImageRect)(g, i, 20.f, 30.f, 60.f, 40.f); });
    EXPECT_NEAR(real.width(), 60, 2);
    // At a point: a quarter inch by an eighth at 96 dots per inch.
    const QRect point = RedBox(wmf, [](GpGraphics* g, GpImage* i) { return GDIP(GdipDrawImageI)(g, i, 10, 10); });
    EXPECT_NEAR(point.width(), 24, 2);
    EXPECT_NEAR(point.height(), 12, 2);
  }
}

}  // namespace

namespace {

// An enhanced metafile: the header, one polygon and the end record.
QByteArray SmallEmf() {
  QByteArray records;
  for (uint32_t v : {86u, 44u, 5u, 5u, 30u, 20u, 4u}) Put32(records, v);
  for (int v : {5, 5, 30, 5, 30, 20, 5, 20}) Put16(records, v);
  for (uint32_t v : {14u, 20u, 0u, 16u, 20u}) Put32(records, v);
  QByteArray header;
  for (uint32_t v : {1u, 88u, 0u, 0u, 39u, 29u, 0u, 0u, 1031u, 740u, 0x464D4520u, 0x10000u}) Put32(header, v);
  Put32(header, uint32_t(88 + records.size()));
  Put32(header, 3);
  Put16(header, 1);
  Put16(header, 0);
  for (uint32_t v : {0u, 0u, 0u, 1024u, 768u, 270u, 203u}) Put32(header, v);
  return header + records;
}

void SetLE32(QByteArray& b, int at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = char((v >> (8 * i)) & 0xFF);
}

TEST_F(GdiPlusMetafiles, MetafilesWhoseRecordsDoNotChainUpAreRefused) {
  const QByteArray wmf = RedMetafile(360, 240, 1440);
  const QByteArray emf = SmallEmf();
  QByteArray zeroRecord = wmf;
  SetLE32(zeroRecord, 22 + 18, 0);  // the first record's size
  QByteArray pastTheEnd = wmf;
  SetLE32(pastTheEnd, 22 + 18, 100000);
  QByteArray hugeHeader = wmf;
  SetLE32(hugeHeader, 22 + 6, 0x7FFFFFFF);  // the header's size in words
  QByteArray emfTotal = emf;
  SetLE32(emfTotal, 48, 0xDC0000BC);  // the header's byte count
  QByteArray emfOdd = emf;
  SetLE32(emfOdd, 88 + 4, 45);  // a record size that is no multiple of 4
  const struct {
    const char* Name;
    QByteArray Bytes;
    bool Sound;
  } cases[] = {{"placeable wmf", wmf, true},
               {"emf", emf, true},
               {"a record of size 0", zeroRecord, false},
               {"a record past the end", pastTheEnd, false},
               {"a header larger than the file", hugeHeader, false},
               {"an emf byte count beyond the file", emfTotal, false},
               {"an emf record of 45 bytes", emfOdd, false},
               {"no metafile", QByteArray("GIF89a and so on"), true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(GdiplusMetafileRecordsSound(c.Bytes), c.Sound);
    if (!c.Sound) {
      GpImage* image = reinterpret_cast<GpImage*>(1);
      EXPECT_EQ(GdiplusLoadImageFromBytes(c.Bytes, &image), InvalidParameter) << "refused, not played";
      EXPECT_EQ(image, nullptr);
    }
  }
  GpImage* image = nullptr;
  ASSERT_EQ(GdiplusLoadImageFromBytes(emf, &image), Ok);
  GDIP(GdipDisposeImage)(image);
}

}  // namespace
