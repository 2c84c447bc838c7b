// TBitmap: sizes, scan lines, pixel formats, BMP files, transparency, alpha,
// handles, assignment and streaming.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageReader>
#include <cstring>

#include "platform/vcl/Graphics.h"
#include "tests/platform/vcl/VclTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace vcltest;
using testsupport::MessageOf;

namespace {
// A BMP file: the file header, an info header of headerSize bytes (12 for
// the core header), masks after a 40-byte header, palette and pixel bytes.
QByteArray MakeBmp(int headerSize, int width, int height, int bpp, DWORD compression,
                   const std::vector<uint32_t>& palette, const QByteArray& pixels,
                   const std::vector<uint32_t>& masks = {}) {
  QByteArray info(headerSize, '\0');
  Put32(info, 0, uint32_t(headerSize));
  if (headerSize == 12) {
    Put16(info, 4, uint16_t(width));
    Put16(info, 6, uint16_t(height));
    Put16(info, 8, 1);
    Put16(info, 10, uint16_t(bpp));
  } else {
    Put32(info, 4, uint32_t(width));
    Put32(info, 8, uint32_t(height));
    Put16(info, 12, 1);
    Put16(info, 14, uint16_t(bpp));
    Put32(info, 16, compression);
    Put32(info, 20, uint32_t(pixels.size()));
    Put32(info, 32, uint32_t(palette.size()));
    if (headerSize >= 52)
      for (size_t i = 0; i < masks.size() && i < 4; ++i) Put32(info, 40 + 4 * int(i), masks[i]);
  }
  QByteArray extra;
  if (headerSize == 40)
    for (uint32_t m : masks) {
      QByteArray b(4, '\0');
      Put32(b, 0, m);
      extra += b;
    }
  for (uint32_t c : palette) {
    QByteArray b(headerSize == 12 ? 3 : 4, '\0');
    b[0] = char(c & 0xFF);
    b[1] = char((c >> 8) & 0xFF);
    b[2] = char((c >> 16) & 0xFF);
    extra += b;
  }
  QByteArray file(14, '\0');
  file[0] = 'B';
  file[1] = 'M';
  const int off = 14 + headerSize + extra.size();
  Put32(file, 2, uint32_t(off + pixels.size()));
  Put32(file, 10, uint32_t(off));
  return file + info + extra + pixels;
}

std::unique_ptr<TBitmap> LoadBmp(const QByteArray& bytes) {
  auto b = std::make_unique<TBitmap>();
  auto s = StreamOf(bytes);
  b->LoadFromStream(s.get());
  return b;
}

QByteArray Save(TGraphic& g) {
  TMemoryStream s;
  g.SaveToStream(&s);
  return BytesOf(s);
}
}  // namespace

TEST(Bitmap, ResizingKeepsTheOverlapAndWhitensTheRest) {
  auto b = FilledBitmap(10, 10, clRed);
  int changes = 0;
  b->OnChange = [&](TObject*) { ++changes; };
  b->SetSize(20, 5);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(b->Width(), 20);
  EXPECT_EQ(b->Height(), 5);
  const QImage img = b->ToImage();
  EXPECT_EQ(Px(img, 5, 2), clRed);
  EXPECT_EQ(Px(img, 15, 2), clWhite);
  b->SetSize(20, 5);
  EXPECT_EQ(changes, 1);

  EXPECT_EQ(MessageOf([&] { b->SetSize(100000, 10); }).left(36), "EInvalidGraphic: Image dimensions 10");
  EXPECT_TRUE(MessageOf([&] { b->SetSize(40000, 40000); }).startsWith("EInvalidGraphic: "));
  EXPECT_EQ(b->Width(), 20);  // unchanged after the refusal
  b->SetSize(-3, 5);
  EXPECT_TRUE(b->Empty());
  EXPECT_EQ(b->Width(), 0);
  EXPECT_EQ(b->ToImage(), QImage());

  TBitmap sized(7, 3);
  EXPECT_EQ(Px(sized.ToImage(), 6, 2), clWhite);
  EXPECT_EQ(sized.PixelFormat(), pfDevice);
}

TEST(Bitmap, ScanLinesAreRangeCheckedAndFollowTheCanvas) {
  auto b = FilledBitmap(4, 3, clGreen, pf24bit);
  for (int row : {-1, 3, 100})
    EXPECT_EQ(MessageOf([&] { b->ScanLine(row); }), "EInvalidGraphicOperation: Scan line index out of range") << row;
  TBitmap empty;
  EXPECT_TRUE(MessageOf([&] { empty.ScanLine(0); }).startsWith("EInvalidGraphicOperation"));

  auto* row = static_cast<uint8_t*>(b->ScanLine(1));
  EXPECT_EQ(row[0], 0);
  EXPECT_EQ(row[1], 128);
  EXPECT_EQ(row[2], 0);
  row[3] = 255;  // pixel 1: blue (B, G, R)
  row[4] = 0;
  row[5] = 0;
  EXPECT_EQ(b->Canvas()->Pixels(1, 1), clBlue);
  b->Canvas()->SetPixels(2, 1, clRed);
  row = static_cast<uint8_t*>(b->ScanLine(1));
  EXPECT_EQ(row[6], 0);
  EXPECT_EQ(row[8], 255);
  EXPECT_EQ(b->BytesPerScanLine(), 12);

  auto b32 = FilledBitmap(3, 2, clYellow, pf32bit);
  auto* px = static_cast<uint32_t*>(b32->ScanLine(1));
  EXPECT_EQ(px[2], 0xFFFFFF00u);
  px[0] = 0xFF0000FFu;  // blue, opaque
  EXPECT_EQ(b32->Canvas()->Pixels(0, 1), clBlue);
}

TEST(Bitmap, PixelFormatsHoldTheirLayoutAndColours) {
  struct Case {
    TPixelFormat format;
    int stride;  // for a width of 10
    TColor in, out;
  } cases[] = {
      {pf1bit, 4, RGBToColor(200, 210, 190), clWhite},
      {pf1bit, 4, clRed, clBlack},
      {pf4bit, 8, RGBToColor(250, 5, 5), clRed},
      {pf4bit, 8, RGBToColor(120, 120, 130), clGray},
      {pf8bit, 12, clRed, clRed},
      {pf8bit, 12, RGBToColor(51, 102, 153), RGBToColor(51, 102, 153)},
      {pf15bit, 20, RGBToColor(0x12, 0x34, 0x56), RGBToColor(0x10, 0x31, 0x52)},
      {pf16bit, 20, RGBToColor(0x12, 0x34, 0x56), RGBToColor(0x10, 0x34, 0x52)},
      {pf24bit, 32, RGBToColor(1, 2, 3), RGBToColor(1, 2, 3)},
      {pf32bit, 40, RGBToColor(1, 2, 3), RGBToColor(1, 2, 3)},
      {pfDevice, 40, RGBToColor(1, 2, 3), RGBToColor(1, 2, 3)},
  };
  for (const Case& c : cases) {
    auto b = FilledBitmap(10, 2, c.in, pf24bit);
    b->SetPixelFormat(c.format);
    EXPECT_EQ(b->PixelFormat(), c.format);
    EXPECT_EQ(b->BytesPerScanLine(), c.stride) << c.format;
    EXPECT_EQ(Px(b->ToImage(), 3, 1), c.out) << c.format;
  }

  // One bit per pixel, most significant first.
  auto mono = FilledBitmap(16, 1, clBlack, pf24bit);
  mono->Canvas()->Brush()->SetColor(clWhite);
  mono->Canvas()->FillRect(Rect(8, 0, 16, 1));
  mono->SetMonochrome(true);
  EXPECT_EQ(mono->PixelFormat(), pf1bit);
  auto* bits = static_cast<uint8_t*>(mono->ScanLine(0));
  EXPECT_EQ(bits[0], 0x00);
  EXPECT_EQ(bits[1], 0xFF);
  bits[0] = 0xF0;  // the first four pixels white
  const QImage img = mono->ToImage();
  EXPECT_EQ(Px(img, 3, 0), clWhite);
  EXPECT_EQ(Px(img, 4, 0), clBlack);

  // Drawing on an 8-bit bitmap lands in its palette indexes.
  auto indexed = FilledBitmap(4, 1, clWhite, pf8bit);
  indexed->Canvas()->SetPixels(0, 0, clRed);
  const auto* idx = static_cast<const uint8_t*>(indexed->ScanLine(0));
  EXPECT_EQ(idx[0], 9);   // red in the palette
  EXPECT_EQ(idx[1], 15);  // white

  EXPECT_EQ(MessageOf([&] { indexed->SetPixelFormat(pfCustom); }), "EInvalidGraphic: Invalid pixel format");
}

TEST(Bitmap, BmpFilesRoundTripInEveryFormat) {
  const QImage pattern = Quadrants(13, 7);  // an odd width pads every row
  struct Case {
    TPixelFormat format;
    int bitCount;
  } cases[] = {{pf1bit, 1}, {pf4bit, 4},   {pf8bit, 8},   {pf15bit, 16},
               {pf16bit, 16}, {pf24bit, 24}, {pf32bit, 32}, {pfDevice, 24}};
  for (const Case& c : cases) {
    TBitmap b;
    b.AssignImage(pattern);
    b.SetPixelFormat(c.format);
    const QByteArray bytes = Save(b);
    ASSERT_GT(bytes.size(), 54);
    EXPECT_EQ(bytes.left(2), "BM");
    EXPECT_EQ(uint8_t(bytes[28]), c.bitCount) << c.format;
    auto loaded = LoadBmp(bytes);
    EXPECT_EQ(loaded->PixelFormat(), c.format == pfDevice ? pf24bit : c.format);
    EXPECT_EQ(loaded->Width(), 13);
    EXPECT_EQ(loaded->Height(), 7);
    EXPECT_EQ(loaded->ToImage(), b.ToImage()) << c.format;
    // Qt reads what we write (it widens 5-bit channels its own way).
    const QImage qt = QImage::fromData(bytes, "BMP").convertToFormat(QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(qt.size(), QSize(13, 7)) << c.format;
    if (c.bitCount != 16) {
      EXPECT_EQ(qt, b.ToImage()) << c.format;
    }
  }
  // What Qt writes, we read.
  const QByteArray qtBmp = Encode(pattern, "bmp");
  auto fromQt = LoadBmp(qtBmp);
  EXPECT_EQ(fromQt->ToImage(), pattern.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

TEST(Bitmap, ReadsHandMadeBmpVariants) {
  const uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, white = 0xFFFFFF;
  // 8 bits, top-down (negative height), two rows of 3 pixels padded to 4.
  {
    const QByteArray px("\x00\x01\x02\x00\x03\x03\x00\x00", 8);
    auto b = LoadBmp(MakeBmp(40, 3, -2, 8, BI_RGB, {red, green, blue, white}, px));
    EXPECT_EQ(b->PixelFormat(), pf8bit);
    const QImage img = b->ToImage();
    EXPECT_EQ(Px(img, 0, 0), clRed);
    EXPECT_EQ(Px(img, 2, 0), clBlue);
    EXPECT_EQ(Px(img, 0, 1), clWhite);
    EXPECT_EQ(Px(img, 2, 1), clRed);
  }
  // 4 bits, bottom-up: the first stored row is the bottom one.
  {
    const QByteArray px("\x01\x20\x00\x00\x33\x30\x00\x00", 8);
    auto b = LoadBmp(MakeBmp(40, 3, 2, 4, BI_RGB, {red, green, blue, white}, px));
    const QImage img = b->ToImage();
    EXPECT_EQ(Px(img, 0, 1), clRed);
    EXPECT_EQ(Px(img, 1, 1), clLime);
    EXPECT_EQ(Px(img, 2, 1), clBlue);
    EXPECT_EQ(Px(img, 1, 0), clWhite);
  }
  // Run-length encoded, 8 and 4 bits: runs, an absolute run, end of line
  // and end of bitmap.
  {
    const QByteArray rle8("\x03\x01\x00\x00" "\x00\x03\x02\x00\x02\x00" "\x00\x01", 12);
    auto b = LoadBmp(MakeBmp(40, 3, 2, 8, BI_RLE8, {red, green, blue}, rle8));
    const QImage img = b->ToImage();
    EXPECT_EQ(Px(img, 0, 1), clLime);
    EXPECT_EQ(Px(img, 2, 1), clLime);
    EXPECT_EQ(Px(img, 0, 0), clBlue);
    EXPECT_EQ(Px(img, 1, 0), clRed);
    const QByteArray rle4("\x04\x12\x00\x00" "\x04\x22\x00\x01", 8);
    auto b4 = LoadBmp(MakeBmp(40, 4, 2, 4, BI_RLE4, {red, green, blue}, rle4));
    const QImage img4 = b4->ToImage();
    EXPECT_EQ(Px(img4, 0, 1), clLime);
    EXPECT_EQ(Px(img4, 1, 1), clBlue);
    EXPECT_EQ(Px(img4, 2, 1), clLime);
    EXPECT_EQ(Px(img4, 3, 0), clBlue);
  }
  // 16 bits with 5-6-5 bit fields, and 32 bits with alpha in a V5 header.
  {
    QByteArray px(4, '\0');
    Put16(px, 0, 0xF800);  // red
    Put16(px, 2, 0x07E0);  // green
    auto b = LoadBmp(MakeBmp(40, 2, 1, 16, BI_BITFIELDS, {}, px, {0xF800, 0x07E0, 0x001F}));
    EXPECT_EQ(b->PixelFormat(), pf16bit);
    EXPECT_EQ(Px(b->ToImage(), 0, 0), clRed);
    EXPECT_EQ(Px(b->ToImage(), 1, 0), clLime);

    QByteArray px32(8, '\0');
    Put32(px32, 0, 0x80FF0000u);  // red, half alpha
    Put32(px32, 4, 0xFF0000FFu);  // blue, opaque
    auto a = LoadBmp(MakeBmp(124, 2, 1, 32, BI_BITFIELDS, {}, px32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000u}));
    EXPECT_EQ(a->PixelFormat(), pf32bit);
    EXPECT_EQ(a->AlphaFormat(), afIgnored);
    const auto* row = static_cast<const uint32_t*>(a->ScanLine(0));
    EXPECT_EQ(row[0], 0x80FF0000u);  // as stored
    a->SetAlphaFormat(afDefined);
    EXPECT_EQ(static_cast<const uint32_t*>(a->ScanLine(0))[0], 0x80800000u);  // premultiplied
  }
  // The old core header with a 24-bit image.
  {
    const QByteArray px("\xFF\x00\x00\x00\x00\xFF\x00\x00", 8);
    auto b = LoadBmp(MakeBmp(12, 2, 1, 24, BI_RGB, {}, px));
    EXPECT_EQ(Px(b->ToImage(), 0, 0), clBlue);
    EXPECT_EQ(Px(b->ToImage(), 1, 0), clRed);
  }
}

TEST(Bitmap, BrokenBmpDataLeavesAnEmptyBitmap) {
  const QByteArray good = MakeBmp(40, 2, 2, 24, BI_RGB, {}, QByteArray(16, '\x7F'));
  QByteArray huge = good;
  Put32(huge, 18, 100000);
  Put32(huge, 22, 100000);
  QByteArray manyPixels = good;
  Put32(manyPixels, 18, 30000);
  Put32(manyPixels, 22, 30000);
  QByteArray badDepth = good;
  Put16(badDepth, 28, 7);
  QByteArray zeroWidth = good;
  Put32(zeroWidth, 18, 0);
  QByteArray rleTopDown = MakeBmp(40, 3, -2, 8, BI_RLE8, {0}, QByteArray("\x00\x01", 2));
  QByteArray rleNoEnd = MakeBmp(40, 3, 2, 8, BI_RLE8, {0}, QByteArray("\x03\x01\x00\x00", 4));
  QByteArray paletteCut = MakeBmp(40, 2, 1, 8, BI_RGB, {0, 0, 0}, QByteArray(4, '\0')).left(14 + 40 + 6);
  const struct {
    const char* name;
    QByteArray bytes;
    const char* message;
  } cases[] = {
      {"empty", QByteArray(), "Bitmap image is not valid"},
      {"not BM", QByteArray("PK\x03\x04 and more bytes than a header"), "Bitmap image is not valid"},
      {"header only", good.left(20), "Bitmap image is not valid"},
      {"pixels cut", good.left(good.size() - 3), "Bitmap image is not valid"},
      {"100000 x 100000", huge, "Image dimensions 100000 x 100000 exceed the supported size"},
      {"30000 x 30000", manyPixels, "Image dimensions 30000 x 30000 exceed the supported size"},
      {"7 bits", badDepth, "Bitmap image is not valid"},
      {"zero width", zeroWidth, "Bitmap image is not valid"},
      {"top-down RLE", rleTopDown, "Bitmap image is not valid"},
      {"RLE without end", rleNoEnd, "Bitmap image is not valid"},
      {"palette cut", paletteCut, "Bitmap image is not valid"},
  };
  for (const auto& c : cases) {
    auto b = FilledBitmap(5, 5, clRed);
    int changes = 0;
    b->OnChange = [&](TObject*) { ++changes; };
    auto s = StreamOf(c.bytes);
    EXPECT_EQ(MessageOf([&] { b->LoadFromStream(s.get()); }), QString("EInvalidGraphic: ") + c.message) << c.name;
    EXPECT_TRUE(b->Empty()) << c.name;
    EXPECT_EQ(b->Width(), 0);
    EXPECT_EQ(changes, 1) << c.name;
  }
}

TEST(Bitmap, TransparentColourKeyLeavesTheDestinationUntouched) {
  auto b = FilledBitmap(10, 10, clRed);
  b->Canvas()->Brush()->SetColor(clBlue);
  b->Canvas()->FillRect(Rect(0, 6, 4, 10));  // the bottom-left corner is blue
  EXPECT_EQ(b->TransparentMode(), tmAuto);
  EXPECT_EQ(b->TransparentColor(), clBlue | 0x02000000);
  b->SetTransparent(true);
  auto dest = FilledBitmap(20, 20, clLime);
  dest->Canvas()->Draw(5, 5, b.get());
  QImage img = dest->ToImage();
  EXPECT_EQ(Px(img, 6, 13), clLime);  // the key colour leaves the destination
  EXPECT_EQ(Px(img, 6, 6), clRed);
  EXPECT_EQ(Count(img, clBlue), 0);
  EXPECT_EQ(Count(img, clRed), 100 - 16);

  b->SetTransparentColor(clRed);
  EXPECT_EQ(b->TransparentMode(), tmFixed);
  auto dest2 = FilledBitmap(20, 20, clLime);
  dest2->Canvas()->StretchDraw(Rect(0, 0, 20, 20), b.get());
  img = dest2->ToImage();
  EXPECT_EQ(Count(img, clRed), 0);
  EXPECT_EQ(Count(img, clBlue), 64);
  b->SetTransparentMode(tmAuto);
  EXPECT_EQ(b->TransparentColor(), clBlue | 0x02000000);
  b->SetTransparentMode(tmFixed);
  EXPECT_EQ(b->TransparentColor(), clBlue | 0x02000000);

  // Not transparent: everything is copied.
  b->SetTransparent(false);
  auto dest3 = FilledBitmap(10, 10, clLime);
  dest3->Canvas()->Draw(0, 0, b.get());
  EXPECT_EQ(Count(dest3->ToImage(), clLime), 0);

  // Transparent and half opaque: the key stays out, the rest blends.
  b->SetTransparent(true);
  auto dest4 = FilledBitmap(10, 10, clWhite);
  dest4->Canvas()->Draw(0, 0, b.get(), 128);
  img = dest4->ToImage();
  EXPECT_EQ(Px(img, 1, 8), clWhite);
  EXPECT_NEAR(GetGValue(COLORREF(Px(img, 5, 1))), 127, 2);
}

TEST(Bitmap, AlphaFormatsBlendOrCopy) {
  TBitmap b;
  b.SetPixelFormat(pf32bit);
  b.SetSize(2, 1);
  auto* px = static_cast<uint32_t*>(b.ScanLine(0));
  px[0] = 0x80FF0000u;  // straight: red at half alpha
  px[1] = 0x000000FFu;  // blue at alpha 0
  EXPECT_FALSE(b.SupportsPartialTransparency());
  auto opaque = FilledBitmap(2, 1, clWhite);
  opaque->Canvas()->Draw(0, 0, &b);
  EXPECT_EQ(Px(opaque->ToImage(), 0, 0), clRed);  // colours only
  EXPECT_EQ(Px(opaque->ToImage(), 1, 0), clBlue);
  EXPECT_EQ(qAlpha(opaque->ToImage().pixel(1, 0)), 255);

  b.SetAlphaFormat(afDefined);
  EXPECT_TRUE(b.SupportsPartialTransparency());
  EXPECT_EQ(static_cast<uint32_t*>(b.ScanLine(0))[0], 0x80800000u);
  auto blended = FilledBitmap(2, 1, clWhite);
  blended->Canvas()->Draw(0, 0, &b);
  const TColor c0 = Px(blended->ToImage(), 0, 0);
  EXPECT_EQ(GetRValue(COLORREF(c0)), 255);
  EXPECT_NEAR(GetGValue(COLORREF(c0)), 127, 2);
  EXPECT_NEAR(GetBValue(COLORREF(c0)), 127, 2);
  EXPECT_EQ(Px(blended->ToImage(), 1, 0), clWhite);  // alpha 0 leaves the destination

  b.SetAlphaFormat(afIgnored);
  EXPECT_EQ(static_cast<uint32_t*>(b.ScanLine(0))[0], 0x80FF0000u);  // back to straight
}

TEST(Bitmap, HandlesAreOwnedUntilReleased) {
  auto b = FilledBitmap(6, 4, clNavy);
  HBITMAP h = b->Handle();
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GetObjectType(h), OBJ_BITMAP);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, h);  // the canvas let go of it
  EXPECT_NE(old, nullptr);
  EXPECT_EQ(GetPixel(dc, 1, 1), COLORREF(clNavy));
  SelectObject(dc, old);

  HBITMAP released = b->ReleaseHandle();
  EXPECT_EQ(released, h);
  EXPECT_NE(b->Handle(), released);
  EXPECT_EQ(Px(b->ToImage(), 5, 3), clNavy);
  SelectObject(dc, released);
  EXPECT_EQ(GetPixel(dc, 5, 3), COLORREF(clNavy));
  SelectObject(dc, old);
  DeleteDC(dc);

  TBitmap adopted;
  adopted.SetHandle(released);
  EXPECT_EQ(adopted.Width(), 6);
  EXPECT_EQ(Px(adopted.ToImage(), 0, 0), clNavy);
  EXPECT_EQ(GetObjectType(released), 0u);  // taken over and deleted
  EXPECT_TRUE(MessageOf([&] { adopted.SetHandle(reinterpret_cast<HBITMAP>(uintptr_t(0x1234))); })
                  .startsWith("EInvalidGraphic"));
}

TEST(Bitmap, AssignCopiesAndNilEmpties) {
  auto b = FilledBitmap(5, 5, clPurple, pf8bit);
  b->SetTransparent(true);
  TBitmap copy;
  copy.Assign(b.get());
  EXPECT_EQ(copy.PixelFormat(), pf8bit);
  EXPECT_TRUE(copy.Transparent());
  EXPECT_EQ(copy.ToImage(), b->ToImage());
  copy.Canvas()->SetPixels(0, 0, clWhite);  // independent pixels
  EXPECT_EQ(Px(b->ToImage(), 0, 0), clPurple);
  copy.Assign(nullptr);
  EXPECT_TRUE(copy.Empty());
  TPicture picture;
  picture.Bitmap()->Assign(b.get());
  TBitmap fromPicture;
  fromPicture.Assign(&picture);
  EXPECT_EQ(fromPicture.ToImage(), b->ToImage());
  TFont font;
  EXPECT_EQ(MessageOf([&] { copy.Assign(&font); }), "EConvertError: Cannot assign a TFont to a TBitmap");
}

TEST(Bitmap, StreamedDataIsLengthPrefixedAndChecked) {
  auto b = FilledBitmap(3, 3, clOlive);
  TMemoryStream data;
  b->WriteData(&data);
  const QByteArray bytes = BytesOf(data);
  int32_t length = 0;
  std::memcpy(&length, bytes.constData(), 4);
  EXPECT_EQ(length, bytes.size() - 4);
  EXPECT_EQ(bytes.mid(4, 2), "BM");
  TBitmap back;
  data.SetPosition(0);
  back.ReadData(&data);
  EXPECT_EQ(back.ToImage(), b->ToImage());

  for (int32_t bad : {-1, 1 << 30}) {
    QByteArray broken = bytes;
    Put32(broken, 0, uint32_t(bad));
    auto s = StreamOf(broken);
    EXPECT_EQ(MessageOf([&] { back.ReadData(s.get()); }), "EInvalidGraphic: Bitmap image is not valid") << bad;
  }
  QByteArray none(4, '\0');
  auto s = StreamOf(none);
  back.ReadData(s.get());
  EXPECT_TRUE(back.Empty());
}
