// Where the runtime stands in for libgdiplus: GDI handles of the layer
// (regions, bitmaps, fonts, lent device contexts), widening, region data,
// containers with rectangles, page scales, warps and font lookups.

#include <gtest/gtest.h>

#include <QImage>

#include <vector>

#include "platform/gdiplusapi/GdiPlusRuntime.h"

namespace {

template <class F>
F Proc(const char* name) {
  return reinterpret_cast<F>(GdiplusProc(name));
}
#define GDIP(Name) Proc<PFN_##Name>(#Name)

// A started runtime and a 20 x 20 PARGB bitmap with its graphics.
class GdiPlusHandles : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(GdiplusLibrary(), nullptr);
    GdiplusStartupInput input;
    ASSERT_EQ(GdiplusStartupShared(&token_, &input, nullptr), Ok);
    image_ = QImage(20, 20, QImage::Format_ARGB32_Premultiplied);
    image_.fill(0xFFFFFFFF);
    ASSERT_EQ(GDIP(GdipCreateBitmapFromScan0)(20, 20, int(image_.bytesPerLine()),
                                              PixelFormat32bppPARGB, image_.bits(), &bitmap_),
              Ok);
    ASSERT_EQ(GDIP(GdipGetImageGraphicsContext)(bitmap_, &graphics_), Ok);
  }
  void TearDown() override {
    GDIP(GdipDeleteGraphics)(graphics_);
    GDIP(GdipDisposeImage)(bitmap_);
    GdiplusShutdownShared(token_);
  }
  bool Visible(GpRegion* region, int x, int y) {
    BOOL visible = FALSE;
    EXPECT_EQ(GDIP(GdipIsVisibleRegionPointI)(region, x, y, nullptr, &visible), Ok);
    return visible != FALSE;
  }

  ULONG_PTR token_ = 0;
  QImage image_;
  GpBitmap* bitmap_ = nullptr;
  GpGraphics* graphics_ = nullptr;
};

TEST_F(GdiPlusHandles, RegionsComeFromAndGoToTheLayersRegions) {
  HRGN hrgn = CreateRectRgn(2, 2, 6, 6);
  GpRegion* region = nullptr;
  ASSERT_EQ(GDIP(GdipCreateRegionHrgn)(hrgn, &region), Ok);
  EXPECT_TRUE(Visible(region, 3, 3));
  EXPECT_FALSE(Visible(region, 6, 6));
  // A handle that is no region is refused (the library would read it as one
  // of its own objects).
  GpRegion* none = reinterpret_cast<GpRegion*>(this);
  EXPECT_EQ(GDIP(GdipCreateRegionHrgn)(reinterpret_cast<HRGN>(0x777), &none), InvalidParameter);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(GDIP(GdipSetClipHrgn)(graphics_, reinterpret_cast<HRGN>(0x777), CombineModeReplace),
            InvalidParameter);

  ASSERT_EQ(GDIP(GdipSetClipHrgn)(graphics_, hrgn, CombineModeReplace), Ok);
  GpSolidFill* red = nullptr;
  GDIP(GdipCreateSolidFill)(0xFFFF0000, &red);
  GDIP(GdipFillRectangleI)(graphics_, red, 0, 0, 20, 20);
  GDIP(GdipFlush)(graphics_, FlushIntentionSync);
  EXPECT_EQ(image_.pixel(2, 2), 0xFFFF0000u);
  EXPECT_EQ(image_.pixel(5, 5), 0xFFFF0000u);
  EXPECT_EQ(image_.pixel(6, 5), 0xFFFFFFFFu);
  GDIP(GdipDeleteBrush)(red);

  // Back out in device pixels: the world transform applies.
  ASSERT_EQ(GDIP(GdipTranslateWorldTransform)(graphics_, 3, 1, MatrixOrderAppend), Ok);
  HRGN out = nullptr;
  ASSERT_EQ(GDIP(GdipGetRegionHRgn)(region, graphics_, &out), Ok);
  RECT box{};
  EXPECT_EQ(GetRgnBox(out, &box), SIMPLEREGION);
  EXPECT_EQ(box.left, 5);
  EXPECT_EQ(box.top, 3);
  EXPECT_EQ(box.right, 9);
  EXPECT_EQ(box.bottom, 7);
  DeleteObject(out);
  GDIP(GdipSetInfinite)(region);
  out = reinterpret_cast<HRGN>(this);
  EXPECT_EQ(GDIP(GdipGetRegionHRgn)(region, graphics_, &out), Ok);
  EXPECT_EQ(out, nullptr);  // an infinite region has no handle
  GDIP(GdipDeleteRegion)(region);
  DeleteObject(hrgn);
}

TEST_F(GdiPlusHandles, BitmapsComeFromAndGoToTheLayersBitmaps) {
  QImage source(2, 2, QImage::Format_ARGB32_Premultiplied);
  source.fill(0x80402010);  // half transparent: a GDI bitmap has no alpha
  source.setPixel(1, 1, 0xFF00FF00);
  HBITMAP hbm = CreateBitmapFromImage(source);
  GpBitmap* bitmap = nullptr;
  ASSERT_EQ(GDIP(GdipCreateBitmapFromHBITMAP)(hbm, nullptr, &bitmap), Ok);
  PixelFormat format = 0;
  GDIP(GdipGetImagePixelFormat)(bitmap, &format);
  EXPECT_EQ(format, PixelFormat32bppRGB);
  ARGB pixel = 0;
  GDIP(GdipBitmapGetPixel)(bitmap, 1, 1, &pixel);
  EXPECT_EQ(pixel, 0xFF00FF00u);
  GDIP(GdipBitmapGetPixel)(bitmap, 0, 0, &pixel);
  EXPECT_EQ(pixel >> 24, 0xFFu);
  GDIP(GdipDisposeImage)(bitmap);
  DeleteObject(hbm);
  EXPECT_EQ(GDIP(GdipCreateBitmapFromHBITMAP)(reinterpret_cast<HBITMAP>(0x99), nullptr, &bitmap),
            InvalidParameter);
  EXPECT_EQ(bitmap, nullptr);

  GpBitmap* argb = nullptr;
  GDIP(GdipCreateBitmapFromScan0)(2, 1, 0, PixelFormat32bppARGB, nullptr, &argb);
  GDIP(GdipBitmapSetPixel)(argb, 0, 0, 0x800000FF);  // half blue
  HBITMAP out = nullptr;
  ASSERT_EQ(GDIP(GdipCreateHBITMAPFromBitmap)(argb, &out, 0xFFFFFFFF), Ok);
  const QImage* pixels = GetBitmapImage(out);
  ASSERT_NE(pixels, nullptr);
  const QRgb mixed = pixels->pixel(0, 0);
  EXPECT_NEAR(qRed(mixed), 127, 2);   // blue over the white background
  EXPECT_EQ(qBlue(mixed), 255);
  EXPECT_EQ(pixels->pixel(1, 0), 0xFFFFFFFFu);
  DeleteObject(out);
  GDIP(GdipDisposeImage)(argb);
}

TEST_F(GdiPlusHandles, FontsComeFromTheDcsSelectedFont) {
  QImage surface(4, 4, QImage::Format_ARGB32_Premultiplied);
  HDC dc = CreateImageDC(&surface);
  HFONT hfont = CreateFontW(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                            u"DejaVu Sans Mono");
  SelectObject(dc, hfont);
  GpFont* font = nullptr;
  ASSERT_EQ(GDIP(GdipCreateFontFromDC)(dc, &font), Ok);
  REAL size = 0;
  GDIP(GdipGetFontSize)(font, &size);
  EXPECT_EQ(size, 20.0f);
  GDIP(GdipDeleteFont)(font);
  DeleteDC(dc);
  DeleteObject(hfont);
  EXPECT_EQ(GDIP(GdipCreateFontFromDC)(reinterpret_cast<HDC>(0x55), &font), InvalidParameter);
}

TEST_F(GdiPlusHandles, FamiliesOfUnknownNamesAreNotFound) {
  GpFontFamily* family = nullptr;
  EXPECT_EQ(GDIP(GdipCreateFontFamilyFromName)(u"Quite Unknown Face", nullptr, &family),
            FontFamilyNotFound);
  EXPECT_EQ(family, nullptr);
  ASSERT_EQ(GDIP(GdipCreateFontFamilyFromName)(u"Courier New", nullptr, &family), Ok);
  WCHAR name[32] = {};
  GDIP(GdipGetFamilyName)(family, name, 0);
  EXPECT_EQ(QString::fromUtf16(name), QStringLiteral("Liberation Mono"));
  GDIP(GdipDeleteFontFamily)(family);
  ASSERT_EQ(GDIP(GdipCreateFontFamilyFromName)(u"DEJAVU SERIF", nullptr, &family), Ok);
  GDIP(GdipDeleteFontFamily)(family);
}

TEST_F(GdiPlusHandles, AGraphicsOfADcLendsADcOfTheLayer) {
  QImage surface(10, 10, QImage::Format_ARGB32_Premultiplied);
  surface.fill(0xFFFFFFFF);
  HDC dc = CreateImageDC(&surface);
  SetViewportOrgEx(dc, 2, 3, nullptr);
  GpGraphics* graphics = nullptr;
  ASSERT_EQ(GDIP(GdipCreateFromHDC)(dc, &graphics), Ok);
  HDC lent = nullptr;
  ASSERT_EQ(GDIP(GdipGetDC)(graphics, &lent), Ok);
  ASSERT_NE(lent, nullptr);
  EXPECT_EQ(GetDCImage(lent), &surface);
  HDC again = nullptr;
  EXPECT_EQ(GDIP(GdipGetDC)(graphics, &again), ObjectBusy);
  SetPixel(lent, 0, 0, RGB(0, 0, 255));
  EXPECT_EQ(surface.pixel(2, 3), 0xFF0000FFu);
  EXPECT_EQ(GDIP(GdipReleaseDC)(graphics, dc), InvalidParameter);  // not the lent one
  EXPECT_EQ(GDIP(GdipReleaseDC)(graphics, lent), Ok);
  EXPECT_EQ(GDIP(GdipReleaseDC)(graphics, lent), InvalidParameter);
  // A DC never given back goes with its graphics.
  ASSERT_EQ(GDIP(GdipGetDC)(graphics, &lent), Ok);
  EXPECT_EQ(GDIP(GdipDeleteGraphics)(graphics), Ok);
  EXPECT_EQ(GetDCImage(lent), nullptr);
  DeleteDC(dc);

  HDC none = reinterpret_cast<HDC>(this);
  EXPECT_EQ(GDIP(GdipGetDC)(graphics_, &none), NotImplemented);  // a graphics of a bitmap
}

TEST_F(GdiPlusHandles, PathsWidenToTheOutlineOfTheirStroke) {
  GpPath* path = nullptr;
  GDIP(GdipCreatePath)(FillModeAlternate, &path);
  GDIP(GdipAddPathLine)(path, 0, 10, 40, 10);
  GpPen* pen = nullptr;
  GDIP(GdipCreatePen1)(0xFF000000, 4, UnitWorld, &pen);
  GpMatrix* twice = nullptr;
  GDIP(GdipCreateMatrix2)(2, 0, 0, 2, 0, 0, &twice);
  ASSERT_EQ(GDIP(GdipWidenPath)(path, pen, twice, 0.25f), Ok);
  GpRectF bounds{};
  GDIP(GdipGetPathWorldBounds)(path, &bounds, nullptr, nullptr);
  EXPECT_NEAR(bounds.X, 0, 0.01);
  EXPECT_NEAR(bounds.Width, 80, 0.01);   // the matrix first, then the pen
  EXPECT_NEAR(bounds.Y, 18, 0.01);
  EXPECT_NEAR(bounds.Height, 4, 0.01);
  FillMode mode = FillModeAlternate;
  GDIP(GdipGetPathFillMode)(path, &mode);
  EXPECT_EQ(mode, FillModeWinding);
  BOOL inside = FALSE;
  GDIP(GdipIsVisiblePathPoint)(path, 40, 19, nullptr, &inside);
  EXPECT_TRUE(inside);

  // Dashes become separate figures.
  GDIP(GdipResetPath)(path);
  GDIP(GdipAddPathLine)(path, 0, 0, 40, 0);
  GDIP(GdipSetPenDashStyle)(pen, DashStyleDash);
  ASSERT_EQ(GDIP(GdipWidenPath)(path, pen, nullptr, 0.25f), Ok);
  GpPathIterator* iterator = nullptr;
  GDIP(GdipCreatePathIter)(&iterator, path);
  INT figures = 0;
  GDIP(GdipPathIterGetSubpathCount)(iterator, &figures);
  EXPECT_GE(figures, 3);
  GDIP(GdipDeletePathIter)(iterator);
  EXPECT_EQ(GDIP(GdipWidenPath)(path, nullptr, nullptr, 0.25f), InvalidParameter);
  GDIP(GdipDeleteMatrix)(twice);
  GDIP(GdipDeletePen)(pen);
  GDIP(GdipDeletePath)(path);
}

TEST_F(GdiPlusHandles, RegionsOfSeveralRectanglesKeepAllOfThemInTheirData) {
  GpRegion* region = nullptr;
  const GpRect a{1, 1, 3, 3}, b{6, 1, 2, 2}, c{2, 2, 6, 6};
  GDIP(GdipCreateRegionRectI)(&a, &region);
  GDIP(GdipCombineRegionRectI)(region, &b, CombineModeUnion);
  GDIP(GdipCombineRegionRectI)(region, &c, CombineModeUnion);
  UINT size = 0;
  ASSERT_EQ(GDIP(GdipGetRegionDataSize)(region, &size), Ok);
  std::vector<BYTE> data(size);
  UINT filled = 0;
  ASSERT_EQ(GDIP(GdipGetRegionData)(region, data.data(), size, &filled), Ok);
  EXPECT_EQ(filled, size);
  GpRegion* copy = nullptr;
  ASSERT_EQ(GDIP(GdipCreateRegionRgnData)(data.data(), INT(size), &copy), Ok);
  for (auto [x, y] : {std::pair{2, 2}, {7, 2}, {5, 5}, {7, 7}, {9, 9}, {0, 0}, {5, 1}})
    EXPECT_EQ(Visible(copy, x, y), Visible(region, x, y)) << x << "," << y;
  EXPECT_EQ(GDIP(GdipGetRegionData)(region, nullptr, size, &filled), InvalidParameter);
  GDIP(GdipDeleteRegion)(copy);
  GDIP(GdipDeleteRegion)(region);
}

TEST_F(GdiPlusHandles, ContainersMapTheirRectangles) {
  GraphicsContainer container = 0;
  const GpRect dst{10, 10, 10, 10}, src{0, 0, 5, 5};
  ASSERT_EQ(GDIP(GdipBeginContainerI)(graphics_, &dst, &src, UnitPixel, &container), Ok);
  GpPointF p{5, 5};
  GDIP(GdipTransformPoints)(graphics_, CoordinateSpaceDevice, CoordinateSpaceWorld, &p, 1);
  EXPECT_FLOAT_EQ(p.X, 20);
  EXPECT_FLOAT_EQ(p.Y, 20);
  ASSERT_EQ(GDIP(GdipEndContainer)(graphics_, container), Ok);
  p = GpPointF{5, 5};
  GDIP(GdipTransformPoints)(graphics_, CoordinateSpaceDevice, CoordinateSpaceWorld, &p, 1);
  EXPECT_FLOAT_EQ(p.X, 5);
  // A source in points: 72 points to the inch of 96 pixels.
  const GpRectF dstF{0, 0, 96, 96}, srcF{0, 0, 72, 72};
  ASSERT_EQ(GDIP(GdipBeginContainer)(graphics_, &dstF, &srcF, UnitPoint, &container), Ok);
  p = GpPointF{10, 10};
  GDIP(GdipTransformPoints)(graphics_, CoordinateSpaceDevice, CoordinateSpaceWorld, &p, 1);
  EXPECT_FLOAT_EQ(p.X, 10);
  GDIP(GdipEndContainer)(graphics_, container);
  const GpRectF empty{0, 0, 0, 5};
  EXPECT_EQ(GDIP(GdipBeginContainer)(graphics_, &dstF, &empty, UnitPixel, &container),
            InvalidParameter);
}

TEST_F(GdiPlusHandles, WhatCannotBeDrawnIsSaidSo) {
  EXPECT_EQ(GDIP(GdipSetPageScale)(graphics_, 2), NotImplemented);
  REAL scale = 0;
  GDIP(GdipGetPageScale)(graphics_, &scale);
  EXPECT_EQ(scale, 1.0f);
  EXPECT_EQ(GDIP(GdipSetPageScale)(graphics_, 1), Ok);
  EXPECT_EQ(GDIP(GdipSetPageScale)(graphics_, -1), InvalidParameter);

  GpPath* path = nullptr;
  GDIP(GdipCreatePath)(FillModeAlternate, &path);
  GDIP(GdipAddPathRectangle)(path, 0, 0, 4, 4);
  const GpPointF quad[4] = {{0, 0}, {8, 0}, {0, 8}, {8, 8}};
  EXPECT_EQ(GDIP(GdipWarpPath)(path, nullptr, quad, 4, 0, 0, 4, 4, WarpModePerspective, 0.25f),
            NotImplemented);
  INT count = 0;
  GDIP(GdipGetPointCount)(path, &count);
  EXPECT_EQ(count, 4);  // unchanged
  GDIP(GdipDeletePath)(path);
}

TEST_F(GdiPlusHandles, GenericObjectsSurviveTheirDeletion) {
  GpFontFamily* sans = nullptr;
  ASSERT_EQ(GDIP(GdipGetGenericFontFamilySansSerif)(&sans), Ok);
  WCHAR before[32] = {};
  GDIP(GdipGetFamilyName)(sans, before, 0);
  EXPECT_EQ(GDIP(GdipDeleteFontFamily)(sans), Ok);
  // New families must not take the generic family's place.
  std::vector<GpFontFamily*> families(200, nullptr);
  for (GpFontFamily*& f : families) {
    ASSERT_EQ(GDIP(GdipCreateFontFamilyFromName)(u"DejaVu Serif", nullptr, &f), Ok);
    EXPECT_NE(f, sans);
  }
  GpFontFamily* again = nullptr;
  GDIP(GdipGetGenericFontFamilySansSerif)(&again);
  EXPECT_EQ(again, sans);
  WCHAR after[32] = {};
  GDIP(GdipGetFamilyName)(again, after, 0);
  EXPECT_EQ(QString::fromUtf16(after), QString::fromUtf16(before));
  for (GpFontFamily* f : families) EXPECT_EQ(GDIP(GdipDeleteFontFamily)(f), Ok);

  GpStringFormat* typographic = nullptr;
  ASSERT_EQ(GDIP(GdipStringFormatGetGenericTypographic)(&typographic), Ok);
  INT flags = 0;
  GDIP(GdipGetStringFormatFlags)(typographic, &flags);
  EXPECT_EQ(GDIP(GdipDeleteStringFormat)(typographic), Ok);
  INT still = -1;
  EXPECT_EQ(GDIP(GdipGetStringFormatFlags)(typographic, &still), Ok);
  EXPECT_EQ(still, flags);
}

}  // namespace
