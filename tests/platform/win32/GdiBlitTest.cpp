// BitBlt, StretchBlt, PatBlt, StretchDIBits, AlphaBlend and TransparentBlt.

#include <gtest/gtest.h>

#include <vector>

#include "tests/platform/win32/GdiTestSupport.h"

using namespace gditest;

TEST(GdiBlit, BitBltRasterOperations) {
  const COLORREF src = RGB(0xF0, 0x0F, 0x55), dst = RGB(0xCC, 0x33, 0xAA), pat = RGB(0x12, 0x34, 0x56);
  auto rgb = [](DWORD v) { return COLORREF(v & 0xFFFFFF); };
  struct Case {
    DWORD rop;
    COLORREF expect;
  } cases[] = {
      {SRCCOPY, src},           {SRCPAINT, src | dst},       {SRCAND, src & dst},
      {SRCINVERT, src ^ dst},   {PATCOPY, pat},              {DSTINVERT, rgb(~dst)},
      {BLACKNESS, 0},           {WHITENESS, 0xFFFFFF},       {NOTSRCCOPY, rgb(~src)},
      {SRCERASE, src & rgb(~dst)}, {MERGECOPY, src & pat},   {PATINVERT, pat ^ dst},
  };
  for (const Case& k : cases) {
    Canvas from(8, 8, src), to(8, 8, dst);
    Owned<HBRUSH> brush(CreateSolidBrush(pat));
    Selected sb(to.dc(), brush);
    ASSERT_TRUE(BitBlt(to.dc(), 2, 2, 4, 4, from.dc(), 0, 0, k.rop)) << std::hex << k.rop;
    EXPECT_EQ(to.Px(3, 3), k.expect) << std::hex << k.rop;
    EXPECT_EQ(to.Px(1, 1), dst) << "outside the rectangle";
    EXPECT_EQ(to.Px(6, 6), dst);
  }
}

TEST(GdiBlit, BitBltCopiesAlphaAndHonoursClipAndOrigins) {
  QImage src(4, 4, QImage::Format_ARGB32_Premultiplied);
  src.fill(qRgba(0, 0, 64, 128));  // premultiplied half-transparent blue
  HDC sdc = CreateImageDC(&src);
  Canvas to(10, 10);
  IntersectClipRect(to.dc(), 0, 0, 5, 10);
  SetViewportOrgEx(to.dc(), 2, 0, nullptr);
  ASSERT_TRUE(BitBlt(to.dc(), 0, 0, 4, 4, sdc, 0, 0, SRCCOPY));
  EXPECT_EQ(qAlpha(to.image().pixel(2, 0)), 128) << "SRCCOPY carries alpha";
  EXPECT_EQ(to.Px(4, 3), RGB(0, 0, 64));
  EXPECT_EQ(to.Px(5, 3), kWhite) << "clipped";
  EXPECT_EQ(to.Px(1, 0), kWhite);
  DeleteDC(sdc);
  EXPECT_FALSE(BitBlt(to.dc(), 0, 0, 4, 4, nullptr, 0, 0, SRCCOPY)) << "a source is needed";
  EXPECT_TRUE(BitBlt(to.dc(), 0, 0, 4, 4, nullptr, 0, 0, BLACKNESS));
}

TEST(GdiBlit, OverlappingBitBltScrolls) {
  Canvas c(10, 1);
  for (int x = 0; x < 10; ++x) c.image().setPixel(x, 0, qRgb(x * 20, 0, 0));
  ASSERT_TRUE(BitBlt(c.dc(), 2, 0, 8, 1, c.dc(), 0, 0, SRCCOPY));
  for (int x = 2; x < 10; ++x) EXPECT_EQ(GetRValue(c.Px(x, 0)), (x - 2) * 20) << x;
}

TEST(GdiBlit, MonochromeSourcesTakeTheTextColours) {
  const unsigned char bits[] = {0xA0, 0};  // 1 0 1 0
  Owned<HBITMAP> mono(CreateBitmap(4, 1, 1, 1, bits));
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, mono);
  Canvas to(4, 1);
  SetTextColor(to.dc(), kRed);  // 0 bits
  SetBkColor(to.dc(), kBlue);   // 1 bits
  BitBlt(to.dc(), 0, 0, 4, 1, mem, 0, 0, SRCCOPY);
  EXPECT_EQ(to.Px(0, 0), kBlue);
  EXPECT_EQ(to.Px(1, 0), kRed);
  // Colour to monochrome: the source background colour becomes white.
  Canvas from(4, 1, kGreen);
  from.image().setPixel(2, 0, qRgb(255, 0, 0));
  SetBkColor(from.dc(), kGreen);
  BitBlt(mem, 0, 0, 4, 1, from.dc(), 0, 0, SRCCOPY);
  EXPECT_EQ(GetPixel(mem, 0, 0), kWhite);
  EXPECT_EQ(GetPixel(mem, 2, 0), kBlack);
  SelectObject(mem, old);
  DeleteDC(mem);
}

TEST(GdiBlit, StretchBltScalesMirrorsAndMerges) {
  Canvas from(2, 2);
  from.image().setPixel(0, 0, qRgb(255, 0, 0));
  from.image().setPixel(1, 0, qRgb(0, 255, 0));
  from.image().setPixel(0, 1, qRgb(0, 0, 255));
  from.image().setPixel(1, 1, qRgb(0, 0, 0));
  Canvas to(8, 8);
  ASSERT_TRUE(StretchBlt(to.dc(), 0, 0, 8, 8, from.dc(), 0, 0, 2, 2, SRCCOPY));
  EXPECT_EQ(to.Px(0, 0), kRed);
  EXPECT_EQ(to.Px(3, 3), kRed);
  EXPECT_EQ(to.Px(4, 3), kGreen);
  EXPECT_EQ(to.Px(3, 4), kBlue);
  EXPECT_EQ(to.Px(7, 7), kBlack);
  // A negative width mirrors.
  Canvas m(8, 8);
  StretchBlt(m.dc(), 8, 0, -8, 8, from.dc(), 0, 0, 2, 2, SRCCOPY);  // x 0..7, right to left
  EXPECT_EQ(m.Px(0, 0), kGreen);
  EXPECT_EQ(m.Px(7, 0), kRed);
  // Shrinking: AND, OR, averaging, or dropping, by stretch mode.
  Canvas row(2, 1);
  row.image().setPixel(0, 0, qRgb(0xF0, 0x0F, 0x00));
  row.image().setPixel(1, 0, qRgb(0x0F, 0xF0, 0x00));
  struct Case {
    int mode;
    COLORREF expect;
  } cases[] = {{BLACKONWHITE, RGB(0x00, 0x00, 0)},
               {WHITEONBLACK, RGB(0xFF, 0xFF, 0)},
               {COLORONCOLOR, RGB(0x0F, 0xF0, 0)},
               {HALFTONE, RGB(0x80, 0x80, 0)}};
  for (const Case& k : cases) {
    Canvas one(1, 1);
    SetStretchBltMode(one.dc(), k.mode);
    StretchBlt(one.dc(), 0, 0, 1, 1, row.dc(), 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ(one.Px(0, 0), k.expect) << k.mode;
  }
}

TEST(GdiBlit, PatBltUsesTheBrushAndNoSource) {
  Canvas c(10, 10);
  Owned<HBRUSH> red(CreateSolidBrush(kRed));
  Selected sb(c.dc(), red);
  ASSERT_TRUE(PatBlt(c.dc(), 2, 2, 3, 3, PATCOPY));
  EXPECT_EQ(c.InkOf(kRed), QRect(2, 2, 3, 3));
  ASSERT_TRUE(PatBlt(c.dc(), 5, 5, -3, -3, DSTINVERT)) << "negative extents go left and up";
  EXPECT_EQ(c.Px(2, 2), RGB(0, 255, 255));
  EXPECT_EQ(c.Px(4, 4), RGB(0, 255, 255));
  EXPECT_EQ(c.Px(5, 5), kWhite);
  EXPECT_FALSE(PatBlt(c.dc(), 0, 0, 2, 2, SRCCOPY));
}

TEST(GdiBlit, StretchDIBitsReadsBottomUpAndTopDownBits) {
  for (bool topDown : {false, true}) {
    for (WORD bpp : {WORD(24), WORD(32)}) {
      BITMAPINFO bi{};
      bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
      bi.bmiHeader.biWidth = 2;
      bi.bmiHeader.biHeight = topDown ? -2 : 2;
      bi.bmiHeader.biPlanes = 1;
      bi.bmiHeader.biBitCount = bpp;
      const int stride = ((2 * bpp + 31) / 32) * 4;
      std::vector<unsigned char> bits(size_t(stride) * 2, 0);
      // The first row in memory is red, the second blue (alpha left 0).
      auto put = [&](int row, int x, COLORREF c) {
        unsigned char* p = bits.data() + row * stride + x * (bpp / 8);
        p[0] = GetBValue(c);
        p[1] = GetGValue(c);
        p[2] = GetRValue(c);
      };
      put(0, 0, kRed);
      put(0, 1, kRed);
      put(1, 0, kBlue);
      put(1, 1, kBlue);
      Canvas to(4, 4);
      ASSERT_EQ(StretchDIBits(to.dc(), 0, 0, 4, 4, 0, 0, 2, 2, bits.data(), &bi, DIB_RGB_COLORS, SRCCOPY), 2);
      // Bottom-up: the first row in memory is the bottom of the picture.
      EXPECT_EQ(to.Px(0, 0), topDown ? kRed : kBlue) << topDown << " " << bpp;
      EXPECT_EQ(to.Px(0, 3), topDown ? kBlue : kRed);
      EXPECT_EQ(qAlpha(to.image().pixel(0, 0)), 255) << "device-independent bits count as opaque";
    }
  }
  // An 8-bit picture through its colour table.
  struct {
    BITMAPINFOHEADER h;
    RGBQUAD colors[2];
  } bi8{};
  bi8.h = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 2, -1, 1, 8, BI_RGB, 0, 0, 0, 2, 0};
  bi8.colors[1] = RGBQUAD{0, 255, 0, 0};
  const unsigned char idx[4] = {1, 0, 0, 0};
  Canvas to(2, 1);
  StretchDIBits(to.dc(), 0, 0, 2, 1, 0, 0, 2, 1, idx, reinterpret_cast<const BITMAPINFO*>(&bi8), DIB_RGB_COLORS,
                SRCCOPY);
  EXPECT_EQ(to.Px(0, 0), kGreen);
  EXPECT_EQ(to.Px(1, 0), kBlack);
  BITMAPINFO bad{};
  bad.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 2, 2, 1, 12, BI_RGB, 0, 0, 0, 0, 0};
  EXPECT_EQ(StretchDIBits(to.dc(), 0, 0, 2, 1, 0, 0, 2, 1, idx, &bad, DIB_RGB_COLORS, SRCCOPY), 0);
}

TEST(GdiBlit, AlphaBlendConstantAndPerPixel) {
  Canvas to(4, 1, RGB(0, 0, 200));
  Canvas from(4, 1, RGB(200, 0, 0));
  BLENDFUNCTION half{AC_SRC_OVER, 0, 128, 0};
  ASSERT_TRUE(AlphaBlend(to.dc(), 0, 0, 2, 1, from.dc(), 0, 0, 2, 1, half));
  EXPECT_NEAR(GetRValue(to.Px(0, 0)), 100, 1);
  EXPECT_NEAR(GetBValue(to.Px(0, 0)), 100, 1);
  EXPECT_EQ(to.Px(2, 0), RGB(0, 0, 200));
  // Per-pixel alpha: premultiplied source, transparent pixels leave the destination.
  QImage src(2, 1, QImage::Format_ARGB32_Premultiplied);
  src.setPixel(0, 0, qRgba(0, 100, 0, 100));  // 100 green at alpha 100
  src.setPixel(1, 0, qRgba(0, 0, 0, 0));
  HDC sdc = CreateImageDC(&src);
  Canvas to2(2, 1, RGB(0, 0, 255));
  BLENDFUNCTION perPixel{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ASSERT_TRUE(AlphaBlend(to2.dc(), 0, 0, 2, 1, sdc, 0, 0, 2, 1, perPixel));
  EXPECT_EQ(to2.Px(0, 0), RGB(0, 100, 155));
  EXPECT_EQ(to2.Px(1, 0), RGB(0, 0, 255));
  // Bad arguments fail.
  EXPECT_FALSE(AlphaBlend(to2.dc(), 0, 0, 2, 1, sdc, 1, 0, 2, 1, perPixel)) << "source outside its surface";
  EXPECT_FALSE(AlphaBlend(to2.dc(), 0, 0, -2, 1, sdc, 0, 0, 2, 1, perPixel));
  BLENDFUNCTION badOp{1, 0, 255, 0};
  EXPECT_FALSE(AlphaBlend(to2.dc(), 0, 0, 2, 1, sdc, 0, 0, 2, 1, badOp));
  DeleteDC(sdc);
}

TEST(GdiBlit, TransparentBltSkipsTheKeyColour) {
  Canvas from(3, 1, kRed);
  from.image().setPixel(1, 0, qRgb(0, 255, 0));
  Canvas to(6, 1, kBlue);
  ASSERT_TRUE(TransparentBlt(to.dc(), 0, 0, 6, 1, from.dc(), 0, 0, 3, 1, kGreen));
  EXPECT_EQ(to.Px(0, 0), kRed);
  EXPECT_EQ(to.Px(2, 0), kBlue);
  EXPECT_EQ(to.Px(3, 0), kBlue);
  EXPECT_EQ(to.Px(5, 0), kRed);
}
