// Handles, stock objects, selection, deletion and object descriptions.

#include <gtest/gtest.h>

#include <cstring>

#include "tests/platform/win32/GdiTestSupport.h"

using namespace gditest;

TEST(GdiObjects, StockObjectsExistAndCannotBeDeleted) {
  for (int i : {WHITE_BRUSH, BLACK_BRUSH, NULL_BRUSH, NULL_PEN, BLACK_PEN, WHITE_PEN, DEFAULT_GUI_FONT, SYSTEM_FONT,
                DC_BRUSH, DC_PEN}) {
    HGDIOBJ h = GetStockObject(i);
    ASSERT_NE(h, nullptr) << i;
    EXPECT_EQ(GetStockObject(i), h) << "the same handle every time";
    EXPECT_TRUE(DeleteObject(h));
    EXPECT_NE(GetObjectType(h), 0u) << "a stock object outlives DeleteObject";
  }
  EXPECT_EQ(GetStockObject(9), nullptr);
  EXPECT_EQ(GetStockObject(99), nullptr);
  EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), OBJ_PEN);
  EXPECT_EQ(GetObjectType(GetStockObject(WHITE_BRUSH)), OBJ_BRUSH);
  EXPECT_EQ(GetObjectType(GetStockObject(DEFAULT_GUI_FONT)), OBJ_FONT);
}

TEST(GdiObjects, SelectObjectReturnsThePreviousObject) {
  Canvas c;
  Owned<HPEN> red(CreatePen(PS_SOLID, 1, kRed));
  Owned<HBRUSH> blue(CreateSolidBrush(kBlue));
  Owned<HFONT> font(TestFont(-12));
  EXPECT_EQ(GetCurrentObject(c.dc(), OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(c.dc(), OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(GetCurrentObject(c.dc(), OBJ_FONT), GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(SelectObject(c.dc(), red), GetStockObject(BLACK_PEN));
  EXPECT_EQ(SelectObject(c.dc(), blue), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(SelectObject(c.dc(), font), GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(GetCurrentObject(c.dc(), OBJ_PEN), static_cast<HGDIOBJ>(red.get()));
  EXPECT_EQ(SelectObject(c.dc(), GetStockObject(BLACK_PEN)), static_cast<HGDIOBJ>(red.get()));
  SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
  SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
}

TEST(GdiObjects, ASelectedObjectIsNotDeleted) {
  Canvas c;
  HPEN pen = CreatePen(PS_SOLID, 1, kRed);
  SelectObject(c.dc(), pen);
  EXPECT_FALSE(DeleteObject(pen));
  EXPECT_EQ(GetObjectType(pen), OBJ_PEN);
  // Still usable after the failed delete.
  EXPECT_TRUE(MoveToEx(c.dc(), 0, 0, nullptr));
  EXPECT_TRUE(LineTo(c.dc(), 10, 0));
  EXPECT_EQ(c.Px(5, 0), kRed);
  SelectObject(c.dc(), GetStockObject(BLACK_PEN));
  EXPECT_TRUE(DeleteObject(pen));
}

TEST(GdiObjects, AnObjectHeldBySavedStateIsNotDeleted) {
  Canvas c;
  HBRUSH brush = CreateSolidBrush(kGreen);
  SelectObject(c.dc(), brush);
  const int level = SaveDC(c.dc());
  SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
  EXPECT_FALSE(DeleteObject(brush)) << "the saved state still refers to it";
  ASSERT_TRUE(RestoreDC(c.dc(), level));
  EXPECT_EQ(GetCurrentObject(c.dc(), OBJ_BRUSH), static_cast<HGDIOBJ>(brush));
  SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
  EXPECT_TRUE(DeleteObject(brush));
}

TEST(GdiObjects, StaleAndWrongHandlesFailCleanly) {
  Canvas c;
  HPEN pen = CreatePen(PS_SOLID, 1, kRed);
  ASSERT_TRUE(DeleteObject(pen));
  EXPECT_FALSE(DeleteObject(pen)) << "a second delete fails";
  EXPECT_EQ(GetObjectType(pen), 0u);
  EXPECT_EQ(SelectObject(c.dc(), pen), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  LOGPEN lp;
  EXPECT_EQ(GetObject(pen, sizeof(lp), &lp), 0);
  // The slot is reused by the next object, under another generation.
  HPEN again = CreatePen(PS_SOLID, 1, kBlue);
  EXPECT_NE(again, pen);
  EXPECT_EQ(SelectObject(c.dc(), pen), nullptr) << "the old handle does not reach the new object";
  DeleteObject(again);
  // A deleted DC.
  QImage img(4, 4, QImage::Format_ARGB32_Premultiplied);
  HDC dc = CreateImageDC(&img);
  ASSERT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(DeleteDC(dc));
  EXPECT_FALSE(LineTo(dc, 1, 1));
  EXPECT_EQ(SetTextColor(dc, 0), CLR_INVALID);
  EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
  // Garbage values and handles of the wrong kind.
  EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(uintptr_t(0x12345678))), 0u);
  EXPECT_FALSE(LineTo(reinterpret_cast<HDC>(GetStockObject(BLACK_PEN)), 1, 1));
  EXPECT_FALSE(DeleteObject(c.dc())) << "DCs go through DeleteDC";
  Owned<HRGN> rgn(CreateRectRgn(0, 0, 1, 1));
  EXPECT_EQ(FillRect(c.dc(), nullptr, GetSysColorBrush(COLOR_WINDOW)), 0);
  RECT r{0, 0, 2, 2};
  EXPECT_EQ(FillRect(c.dc(), &r, reinterpret_cast<HBRUSH>(rgn.get())), 0);
}

TEST(GdiObjects, CreationRejectsBadArguments) {
  EXPECT_EQ(CreatePen(PS_USERSTYLE, 1, 0), nullptr) << "user styles need ExtCreatePen";
  EXPECT_EQ(CreateHatchBrush(6, 0), nullptr);
  LOGBRUSH lb{BS_SOLID, kRed, 0};
  EXPECT_EQ(ExtCreatePen(PS_COSMETIC | PS_SOLID, 3, &lb, 0, nullptr), nullptr) << "cosmetic pens are 1 wide";
  EXPECT_EQ(ExtCreatePen(PS_GEOMETRIC | PS_ALTERNATE, 1, &lb, 0, nullptr), nullptr);
  EXPECT_EQ(ExtCreatePen(PS_COSMETIC | PS_USERSTYLE, 1, &lb, 0, nullptr), nullptr) << "user style without entries";
  EXPECT_EQ(CreateBitmap(4, 4, 1, 7, nullptr), nullptr);
  EXPECT_EQ(CreateBitmap(-1, 4, 1, 32, nullptr), nullptr);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = 100000;
  bi.bmiHeader.biHeight = 100000;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = reinterpret_cast<void*>(1);
  EXPECT_EQ(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr) << "too large";
  EXPECT_EQ(bits, nullptr);
}

TEST(GdiObjects, GetObjectDescribesPensBrushesFontsBitmaps) {
  Owned<HPEN> pen(CreatePen(PS_DASH, 1, kRed));
  LOGPEN lp{};
  EXPECT_EQ(GetObject(pen, 0, nullptr), int(sizeof(LOGPEN)));
  ASSERT_EQ(GetObject(pen, sizeof(lp), &lp), int(sizeof(LOGPEN)));
  EXPECT_EQ(lp.lopnStyle, PS_DASH);
  EXPECT_EQ(lp.lopnColor, kRed);
  Owned<HPEN> wide(CreatePen(PS_DOT, 3, kRed));
  GetObject(wide, sizeof(lp), &lp);
  EXPECT_EQ(lp.lopnStyle, PS_SOLID) << "styled pens wider than one unit are solid";
  EXPECT_EQ(lp.lopnWidth.x, 3);

  const DWORD dashes[] = {4, 2, 1, 2};
  LOGBRUSH lb{BS_SOLID, kBlue, 0};
  Owned<HPEN> ext(ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_FLAT, 5, &lb, 4, dashes));
  EXPECT_EQ(GetObjectType(ext), OBJ_EXTPEN);
  alignas(EXTLOGPEN) unsigned char buf[128];
  ASSERT_GT(GetObject(ext, sizeof(buf), buf), 0);
  const auto* elp = reinterpret_cast<const EXTLOGPEN*>(buf);
  EXPECT_EQ(elp->elpWidth, 5u);
  EXPECT_EQ(elp->elpNumEntries, 4u);
  EXPECT_EQ(elp->elpStyleEntry[2], 1u);

  Owned<HBRUSH> hatch(CreateHatchBrush(HS_CROSS, kGreen));
  LOGBRUSH got{};
  ASSERT_EQ(GetObject(hatch, sizeof(got), &got), int(sizeof(LOGBRUSH)));
  EXPECT_EQ(got.lbStyle, BS_HATCHED);
  EXPECT_EQ(got.lbHatch, UINT_PTR(HS_CROSS));
  EXPECT_EQ(got.lbColor, kGreen);

  Owned<HFONT> font(TestFont(-17, FW_BOLD, u"Arial"));
  LOGFONTW lf{};
  ASSERT_EQ(GetObject(font, sizeof(lf), &lf), int(sizeof(LOGFONTW)));
  EXPECT_EQ(lf.lfHeight, -17);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_EQ(std::u16string(lf.lfFaceName), u"Arial");

  Owned<HBITMAP> bmp(CreateBitmap(10, 7, 1, 32, nullptr));
  BITMAP bm{};
  ASSERT_EQ(GetObject(bmp, sizeof(bm), &bm), int(sizeof(BITMAP)));
  EXPECT_EQ(bm.bmWidth, 10);
  EXPECT_EQ(bm.bmHeight, 7);
  EXPECT_EQ(bm.bmBitsPixel, 32);
  EXPECT_EQ(GetObject(bmp, 4, &bm), 0) << "buffer too small";
}

TEST(GdiObjects, MemoryDcsDrawIntoTheirBitmap) {
  HDC mem = CreateCompatibleDC(nullptr);
  ASSERT_NE(mem, nullptr);
  EXPECT_EQ(GetObjectType(mem), OBJ_MEMDC);
  // With its default bitmap a memory DC measures but draws nothing.
  SIZE sz{};
  EXPECT_TRUE(GetTextExtentPoint32(mem, u"abc", 3, &sz));
  EXPECT_GT(sz.cx, 0);
  EXPECT_TRUE(Rectangle(mem, 0, 0, 5, 5));
  Owned<HBITMAP> bmp(CreateCompatibleBitmap(mem, 20, 10));
  HGDIOBJ old = SelectObject(mem, bmp);
  ASSERT_NE(old, nullptr);
  RECT r{0, 0, 20, 10};
  FillRect(mem, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetPixel(mem, 3, 4, kRed);
  const QImage* img = GetBitmapImage(bmp);
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->pixel(3, 4), 0xFFFF0000u);
  EXPECT_EQ(GetPixel(mem, 3, 4), kRed);
  // A bitmap lives in one memory DC at a time.
  HDC other = CreateCompatibleDC(mem);
  EXPECT_EQ(SelectObject(other, bmp), nullptr);
  SelectObject(mem, old);
  EXPECT_NE(SelectObject(other, bmp), nullptr) << "free again once deselected";
  SelectObject(other, old);
  DeleteDC(other);
  DeleteDC(mem);
  // A DC over an image takes no bitmap.
  Canvas c;
  EXPECT_EQ(SelectObject(c.dc(), bmp), nullptr);
}

TEST(GdiObjects, DibSectionsShareTheirBitsWithDrawing) {
  for (bool topDown : {true, false}) {
    for (WORD bpp : {WORD(32), WORD(24)}) {
      SCOPED_TRACE(testing::Message() << "topDown " << topDown << " bpp " << bpp);
      BITMAPINFO bi{};
      bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
      bi.bmiHeader.biWidth = 8;
      bi.bmiHeader.biHeight = topDown ? -4 : 4;
      bi.bmiHeader.biPlanes = 1;
      bi.bmiHeader.biBitCount = bpp;
      void* bits = nullptr;
      Owned<HBITMAP> dib(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
      ASSERT_NE(dib.get(), nullptr);
      ASSERT_NE(bits, nullptr);
      const int stride = ((8 * bpp + 31) / 32) * 4;
      auto pixelAt = [&](int x, int y) {
        const int row = topDown ? y : 3 - y;
        return static_cast<unsigned char*>(bits) + row * stride + x * (bpp / 8);
      };
      HDC mem = CreateCompatibleDC(nullptr);
      HGDIOBJ old = SelectObject(mem, dib);
      SetPixel(mem, 2, 0, RGB(10, 20, 30));
      const unsigned char* p = pixelAt(2, 0);
      EXPECT_EQ(p[0], 30);  // blue, green, red in memory
      EXPECT_EQ(p[1], 20);
      EXPECT_EQ(p[2], 10);
      // Pixels written by the caller are seen by the next operation.
      unsigned char* q = pixelAt(5, 3);
      q[0] = 200;
      q[1] = 100;
      q[2] = 50;
      if (bpp == 32) q[3] = 255;
      EXPECT_EQ(GetPixel(mem, 5, 3), RGB(50, 100, 200));
      DIBSECTION ds{};
      ASSERT_EQ(GetObject(dib, sizeof(ds), &ds), int(sizeof(DIBSECTION)));
      EXPECT_EQ(ds.dsBm.bmBits, bits);
      EXPECT_EQ(ds.dsBmih.biHeight, topDown ? -4 : 4);
      SelectObject(mem, old);
      DeleteDC(mem);
    }
  }
}

TEST(GdiObjects, DibBitsStayValidWhenTheImageIsCopied) {
  BITMAPINFO bi{};
  bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 4, -4, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  Owned<HBITMAP> dib(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  ASSERT_NE(bits, nullptr);
  const QImage snapshot = *GetBitmapImage(dib);  // a shallow copy kept by someone
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, dib);
  SetPixel(mem, 1, 1, kRed);
  const auto* px = static_cast<const uint32_t*>(bits);
  EXPECT_EQ(px[4 + 1] & 0xFFFFFF, 0xFF0000u) << "drawing still reaches the caller's bits";
  static_cast<uint32_t*>(bits)[2] = 0xFF00FF00u;
  EXPECT_EQ(GetPixel(mem, 2, 0), kGreen);
  SelectObject(mem, old);
  DeleteDC(mem);
  (void)snapshot;
}
