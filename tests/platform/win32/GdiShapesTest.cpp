// GDI's pixel rules for lines and shapes, pens, brushes and mix modes.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/win32/GdiInternal.h"
#include "tests/platform/win32/GdiTestSupport.h"

using namespace gditest;

TEST(GdiLines, LineToLeavesOutTheLastPixel) {
  struct Case {
    POINT from, to;
    POINT last, beforeLast;
  } cases[] = {
      {{2, 5}, {12, 5}, {12, 5}, {11, 5}},    // right
      {{12, 5}, {2, 5}, {2, 5}, {3, 5}},      // left
      {{5, 2}, {5, 12}, {5, 12}, {5, 11}},    // down
      {{5, 12}, {5, 2}, {5, 2}, {5, 3}},      // up
      {{2, 2}, {12, 12}, {12, 12}, {11, 11}},  // diagonal
  };
  for (const Case& k : cases) {
    Canvas c(20, 20);
    MoveToEx(c.dc(), k.from.x, k.from.y, nullptr);
    ASSERT_TRUE(LineTo(c.dc(), k.to.x, k.to.y));
    EXPECT_EQ(c.Px(k.from.x, k.from.y), kBlack) << "the first pixel is drawn";
    EXPECT_EQ(c.Px(k.beforeLast.x, k.beforeLast.y), kBlack);
    EXPECT_EQ(c.Px(k.last.x, k.last.y), kWhite) << "the last pixel is left out";
    EXPECT_EQ(c.Count(kBlack), 10);
    POINT cp{};
    GetCurrentPositionEx(c.dc(), &cp);
    EXPECT_EQ(cp.x, k.to.x);
    EXPECT_EQ(cp.y, k.to.y);
  }
}

TEST(GdiLines, PolylineJoinsWithoutGapsAndLeavesOutTheEnd) {
  Canvas c(20, 20);
  const POINT pts[] = {{1, 1}, {10, 1}, {10, 10}};
  ASSERT_TRUE(Polyline(c.dc(), pts, 3));
  EXPECT_EQ(c.Px(10, 1), kBlack) << "the corner comes from the second segment";
  EXPECT_EQ(c.Px(10, 9), kBlack);
  EXPECT_EQ(c.Px(10, 10), kWhite);
  EXPECT_EQ(c.Count(kBlack), 18);
  EXPECT_FALSE(Polyline(c.dc(), pts, 1));
}

TEST(GdiShapes, RectangleLeavesOutTheRightAndBottomEdges) {
  Canvas c(20, 20);
  Owned<HPEN> pen(CreatePen(PS_SOLID, 1, kRed));
  Owned<HBRUSH> brush(CreateSolidBrush(kBlue));
  Selected sp(c.dc(), pen), sb(c.dc(), brush);
  ASSERT_TRUE(Rectangle(c.dc(), 2, 3, 12, 10));
  EXPECT_EQ(c.Ink(), QRect(QPoint(2, 3), QPoint(11, 9)));
  EXPECT_EQ(c.Px(2, 3), kRed);
  EXPECT_EQ(c.Px(11, 9), kRed);
  EXPECT_EQ(c.Px(3, 4), kBlue);
  EXPECT_EQ(c.Px(10, 8), kBlue);
  EXPECT_EQ(c.Px(12, 5), kWhite);
  EXPECT_EQ(c.Px(5, 10), kWhite);
  // Without a pen the rectangle is one pixel smaller each way.
  Canvas d(20, 20);
  Selected np(d.dc(), GetStockObject(NULL_PEN)), nb(d.dc(), brush);
  Rectangle(d.dc(), 2, 3, 12, 10);
  EXPECT_EQ(d.Ink(), QRect(QPoint(2, 3), QPoint(10, 8)));
  // Coordinates given the other way round mean the same rectangle.
  Canvas e(20, 20);
  Rectangle(e.dc(), 12, 10, 2, 3);
  EXPECT_EQ(e.Ink(), QRect(QPoint(2, 3), QPoint(11, 9)));
}

TEST(GdiShapes, FillFrameAndInvertRect) {
  Canvas c(20, 20);
  Owned<HBRUSH> red(CreateSolidBrush(kRed));
  RECT r{3, 4, 9, 8};
  ASSERT_EQ(FillRect(c.dc(), &r, red), 1);
  EXPECT_EQ(c.InkOf(kRed), QRect(QPoint(3, 4), QPoint(8, 7)));
  // The mix mode does not apply to FillRect.
  SetROP2(c.dc(), R2_XORPEN);
  FillRect(c.dc(), &r, red);
  EXPECT_EQ(c.Px(3, 4), kRed);
  SetROP2(c.dc(), R2_COPYPEN);
  // A system colour index + 1 stands for a brush.
  FillRect(c.dc(), &r, reinterpret_cast<HBRUSH>(uintptr_t(COLOR_WINDOW + 1)));
  EXPECT_EQ(c.Count(kWhite), 400);

  FrameRect(c.dc(), &r, red);
  EXPECT_EQ(c.Px(3, 4), kRed);
  EXPECT_EQ(c.Px(8, 7), kRed);
  EXPECT_EQ(c.Px(4, 5), kWhite);
  EXPECT_EQ(c.Count(kRed), 2 * 6 + 2 * 2);

  Canvas d(10, 10);
  RECT all{0, 0, 10, 10}, part{2, 2, 5, 5};
  InvertRect(d.dc(), &part);
  EXPECT_EQ(d.Count(kBlack), 9);
  InvertRect(d.dc(), &part);
  EXPECT_EQ(d.Count(kWhite), 100) << "inverting twice restores";
  (void)all;
}

TEST(GdiShapes, EllipseFitsTheRectangleWithoutItsLastRowAndColumn) {
  Canvas c(30, 30);
  Owned<HBRUSH> brush(CreateSolidBrush(kBlue));
  Selected sb(c.dc(), brush);
  ASSERT_TRUE(Ellipse(c.dc(), 4, 6, 24, 20));
  EXPECT_EQ(c.Ink(), QRect(QPoint(4, 6), QPoint(23, 19)));
  EXPECT_EQ(c.Px(4, 13), kBlack) << "leftmost point of the outline";
  EXPECT_EQ(c.Px(23, 13), kBlack);
  EXPECT_EQ(c.Px(14, 13), kBlue);
  EXPECT_EQ(c.Px(4, 6), kWhite) << "corners stay outside";
  // Left-right symmetry of the outline.
  for (int y = 6; y < 20; ++y)
    for (int x = 4; x < 24; ++x) EXPECT_EQ(c.Px(x, y) == kBlack, c.Px(27 - x, y) == kBlack) << x << "," << y;
}

TEST(GdiShapes, RoundRectCutsItsCorners) {
  Canvas c(30, 30);
  ASSERT_TRUE(RoundRect(c.dc(), 2, 2, 22, 22, 10, 10));
  EXPECT_EQ(c.Ink(), QRect(QPoint(2, 2), QPoint(21, 21)));
  EXPECT_EQ(c.Px(2, 2), kWhite);
  EXPECT_EQ(c.Px(12, 2), kBlack);
  EXPECT_EQ(c.Px(2, 12), kBlack);
}

TEST(GdiShapes, PolygonFillModes) {
  // A five-pointed star: its middle is inside with WINDING only.
  const POINT star[] = {{20, 2}, {31, 36}, {2, 14}, {38, 14}, {9, 36}};
  for (int mode : {ALTERNATE, WINDING}) {
    Canvas c(40, 40);
    Owned<HBRUSH> brush(CreateSolidBrush(kBlue));
    Selected sb(c.dc(), brush), sp(c.dc(), GetStockObject(NULL_PEN));
    SetPolyFillMode(c.dc(), mode);
    ASSERT_TRUE(Polygon(c.dc(), star, 5));
    EXPECT_EQ(c.Px(20, 20), mode == WINDING ? kBlue : kWhite) << mode;
    EXPECT_EQ(c.Px(20, 8), kBlue) << "a point of the star";
  }
  // A square polygon covers its vertices' left and top edges only.
  Canvas c(20, 20);
  Selected sp(c.dc(), GetStockObject(NULL_PEN)), sb(c.dc(), GetStockObject(BLACK_BRUSH));
  const POINT sq[] = {{2, 2}, {12, 2}, {12, 12}, {2, 12}};
  Polygon(c.dc(), sq, 4);
  EXPECT_EQ(c.Ink(), QRect(QPoint(2, 2), QPoint(11, 11)));
}

TEST(GdiShapes, ArcsRunCounterClockwiseFromStartToEnd) {
  // Radials right then left: counter-clockwise gives the upper half.
  for (int dir : {AD_COUNTERCLOCKWISE, AD_CLOCKWISE}) {
    Canvas c(40, 40);
    SetArcDirection(c.dc(), dir);
    ASSERT_TRUE(Arc(c.dc(), 5, 5, 35, 35, 40, 20, 0, 20));
    const QRect ink = c.Ink();
    if (dir == AD_COUNTERCLOCKWISE) {
      EXPECT_EQ(ink.top(), 5);
      EXPECT_LE(ink.bottom(), 20);
    } else {
      EXPECT_GE(ink.top(), 19);
      EXPECT_EQ(ink.bottom(), 34);
    }
    EXPECT_EQ(GetArcDirection(c.dc()), dir);
  }
  // Pie fills the sector, chord the segment.
  Canvas pie(40, 40);
  Owned<HBRUSH> blue(CreateSolidBrush(kBlue));
  {
    Selected sb(pie.dc(), blue);
    Pie(pie.dc(), 5, 5, 35, 35, 40, 20, 20, 0);  // upper-right quarter
    EXPECT_EQ(pie.Px(26, 13), kBlue);
    EXPECT_EQ(pie.Px(13, 13), kWhite);
    EXPECT_EQ(pie.Px(26, 26), kWhite);
  }
  Canvas chord(40, 40);
  {
    Selected sb(chord.dc(), blue);
    Chord(chord.dc(), 5, 5, 35, 35, 40, 20, 0, 20);  // upper half
    EXPECT_EQ(chord.Px(20, 12), kBlue);
    EXPECT_EQ(chord.Px(20, 28), kWhite);
  }
}

TEST(GdiShapes, AngleArcAndArcToMoveTheCurrentPosition) {
  Canvas c(60, 60);
  MoveToEx(c.dc(), 5, 30, nullptr);
  ASSERT_TRUE(AngleArc(c.dc(), 30, 30, 20, 0, 90));
  POINT cp{};
  GetCurrentPositionEx(c.dc(), &cp);
  EXPECT_EQ(cp.x, 30);
  EXPECT_EQ(cp.y, 10) << "a quarter turn counter-clockwise ends at the top";
  EXPECT_EQ(c.Px(20, 30), kBlack) << "the line from the old position";
  EXPECT_EQ(c.Px(44, 16), kBlack);
}

TEST(GdiShapes, PolyBezierStartsAtTheFirstPointAndPassesTheEnd) {
  Canvas c(40, 40);
  const POINT pts[] = {{2, 20}, {10, 2}, {30, 38}, {38, 20}};
  ASSERT_TRUE(PolyBezier(c.dc(), pts, 4));
  EXPECT_EQ(c.Px(2, 20), kBlack);
  EXPECT_EQ(c.Px(38, 20), kWhite) << "the end point is left out, as with lines";
  EXPECT_GE(c.Ink().right(), 37);
  EXPECT_LE(c.Ink().right(), 38);
  EXPECT_LT(c.Ink().top(), 20) << "pulled up by the first control point";
  EXPECT_GT(c.Ink().bottom(), 20) << "and down by the second";
  EXPECT_FALSE(PolyBezier(c.dc(), pts, 3)) << "1 + 3n points";
}

TEST(GdiPens, CosmeticStylesAndTheBackgroundMode) {
  struct Case {
    int style;
    int on, off;  // first dash and gap
  } cases[] = {{PS_DASH, 18, 6}, {PS_DOT, 3, 3}, {PS_DASHDOT, 9, 6}, {PS_DASHDOTDOT, 9, 3}};
  for (const Case& k : cases) {
    for (int mode : {TRANSPARENT, OPAQUE}) {
      Canvas c(60, 4);
      Owned<HPEN> pen(CreatePen(k.style, 1, kRed));
      Selected sp(c.dc(), pen);
      SetBkMode(c.dc(), mode);
      SetBkColor(c.dc(), kGreen);
      MoveToEx(c.dc(), 0, 1, nullptr);
      LineTo(c.dc(), 59, 1);
      for (int x = 0; x < k.on; ++x) EXPECT_EQ(c.Px(x, 1), kRed) << k.style << " at " << x;
      for (int x = k.on; x < k.on + k.off; ++x)
        EXPECT_EQ(c.Px(x, 1), mode == OPAQUE ? kGreen : kWhite) << k.style << " gap at " << x;
    }
  }
}

TEST(GdiPens, StylesContinueFromLineToToLineTo) {
  Canvas c(40, 4);
  Owned<HPEN> pen(CreatePen(PS_DOT, 1, kRed));
  Selected sp(c.dc(), pen);
  MoveToEx(c.dc(), 0, 1, nullptr);
  LineTo(c.dc(), 2, 1);  // two pixels of the first dot
  LineTo(c.dc(), 20, 1);
  EXPECT_EQ(c.Px(2, 1), kRed) << "the third pixel of the dot";
  EXPECT_EQ(c.Px(3, 1), kWhite);
}

TEST(GdiPens, AlternateAndUserStyles) {
  LOGBRUSH lb{BS_SOLID, kRed, 0};
  Canvas c(20, 4);
  {
    Owned<HPEN> alt(ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &lb, 0, nullptr));
    ASSERT_NE(alt.get(), nullptr);
    Selected sp(c.dc(), alt);
    MoveToEx(c.dc(), 0, 1, nullptr);
    LineTo(c.dc(), 20, 1);
    for (int x = 0; x < 20; ++x) EXPECT_EQ(c.Px(x, 1), x % 2 == 0 ? kRed : kWhite) << x;
  }
  {
    const DWORD style[] = {2, 1, 4, 3};
    Owned<HPEN> user(ExtCreatePen(PS_COSMETIC | PS_USERSTYLE, 1, &lb, 4, style));
    ASSERT_NE(user.get(), nullptr);
    Selected sp(c.dc(), user);
    SetBkMode(c.dc(), TRANSPARENT);
    MoveToEx(c.dc(), 0, 2, nullptr);
    LineTo(c.dc(), 20, 2);
    const char* expect = "xx.xxxx...xx.xxxx...";
    for (int x = 0; x < 20; ++x) EXPECT_EQ(c.Px(x, 2) == kRed, expect[x] == 'x') << x;
  }
}

TEST(GdiPens, WidePensAndInsideFrame) {
  Canvas c(40, 40);
  {
    Owned<HPEN> wide(CreatePen(PS_SOLID, 5, kRed));
    Selected sp(c.dc(), wide);
    MoveToEx(c.dc(), 10, 10, nullptr);
    LineTo(c.dc(), 30, 10);
    EXPECT_EQ(c.Px(20, 8), kRed);
    EXPECT_EQ(c.Px(20, 12), kRed);
    EXPECT_EQ(c.Px(20, 13), kWhite);
    EXPECT_EQ(c.Px(20, 7), kWhite);
    EXPECT_EQ(c.Px(8, 10), kRed) << "round ends reach past the end points";
  }
  Canvas d(40, 40);
  {
    Owned<HPEN> frame(CreatePen(PS_INSIDEFRAME, 5, kRed));
    Selected sp(d.dc(), frame), sb(d.dc(), GetStockObject(NULL_BRUSH));
    Rectangle(d.dc(), 5, 5, 35, 35);
    EXPECT_EQ(d.Ink(), QRect(QPoint(5, 5), QPoint(34, 34))) << "the pen stays inside";
    EXPECT_EQ(d.Px(9, 20), kRed);
    EXPECT_EQ(d.Px(10, 20), kWhite);
  }
  Canvas e(40, 40);
  {
    LOGBRUSH lb{BS_SOLID, kBlue, 0};
    Owned<HPEN> flat(ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT, 4, &lb, 0, nullptr));
    Selected sp(e.dc(), flat);
    MoveToEx(e.dc(), 10, 20, nullptr);
    LineTo(e.dc(), 30, 20);
    EXPECT_EQ(e.InkOf(kBlue).left(), 10) << "flat ends stop at the end points";
    EXPECT_EQ(e.InkOf(kBlue).right(), 29);
  }
}

TEST(GdiBrushes, HatchPatternsAndBackgroundMode) {
  for (int mode : {TRANSPARENT, OPAQUE}) {
    Canvas c(16, 16);
    Owned<HBRUSH> hatch(CreateHatchBrush(HS_CROSS, kRed));
    Selected sb(c.dc(), hatch), sp(c.dc(), GetStockObject(NULL_PEN));
    SetBkMode(c.dc(), mode);
    SetBkColor(c.dc(), kGreen);
    Rectangle(c.dc(), 0, 0, 17, 17);
    const int red = c.Count(kRed);
    EXPECT_EQ(red, 2 * (16 + 16) - 4) << "a cross every 8 pixels";
    EXPECT_EQ(c.Count(kGreen), mode == OPAQUE ? 256 - red : 0);
    // The pattern repeats every 8 pixels.
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) EXPECT_EQ(c.Px(x, y), c.Px(x + 8, y + 8));
  }
}

TEST(GdiBrushes, PatternBrushesTileAndMonochromeOnesUseTheTextColours) {
  const unsigned char bits[] = {0x80, 0, 0x00, 0};  // 2 rows, word-aligned: first pixel set
  Owned<HBITMAP> mono(CreateBitmap(2, 2, 1, 1, bits));
  Owned<HBRUSH> brush(CreatePatternBrush(mono));
  Canvas c(8, 8);
  SetTextColor(c.dc(), kBlue);  // 0 bits
  SetBkColor(c.dc(), kRed);     // 1 bits
  RECT r{0, 0, 8, 8};
  FillRect(c.dc(), &r, brush);
  EXPECT_EQ(c.Px(0, 0), kRed);
  EXPECT_EQ(c.Px(1, 0), kBlue);
  EXPECT_EQ(c.Px(2, 2), kRed);
  EXPECT_EQ(c.Count(kRed), 16);
}

TEST(GdiMix, Rop2Table) {
  const COLORREF pen = RGB(0xF0, 0x0F, 0x55), dst = RGB(0xCC, 0x33, 0xAA);
  auto rgb = [](COLORREF c) { return c & 0xFFFFFF; };
  struct Case {
    int rop;
    COLORREF expect;
  } cases[] = {
      {R2_BLACK, 0},
      {R2_NOTMERGEPEN, rgb(~(dst | pen))},
      {R2_MASKNOTPEN, rgb(dst & ~pen)},
      {R2_NOTCOPYPEN, rgb(~pen)},
      {R2_MASKPENNOT, rgb(pen & ~dst)},
      {R2_NOT, rgb(~dst)},
      {R2_XORPEN, rgb(dst ^ pen)},
      {R2_NOTMASKPEN, rgb(~(dst & pen))},
      {R2_MASKPEN, dst & pen},
      {R2_NOTXORPEN, rgb(~(dst ^ pen))},
      {R2_NOP, dst},
      {R2_MERGENOTPEN, rgb(dst | ~pen)},
      {R2_COPYPEN, pen},
      {R2_MERGEPENNOT, rgb(pen | ~dst)},
      {R2_MERGEPEN, dst | pen},
      {R2_WHITE, 0xFFFFFF},
  };
  for (const Case& k : cases) {
    Canvas c(8, 4, dst);
    Owned<HPEN> p(CreatePen(PS_SOLID, 1, pen));
    Selected sp(c.dc(), p);
    EXPECT_EQ(SetROP2(c.dc(), k.rop), R2_COPYPEN);
    MoveToEx(c.dc(), 0, 1, nullptr);
    LineTo(c.dc(), 8, 1);
    EXPECT_EQ(c.Px(3, 1), k.expect) << "ROP2 " << k.rop;
    EXPECT_EQ(c.Px(3, 2), dst);
    EXPECT_EQ(qAlpha(c.image().pixel(3, 1)), 255);
  }
  Canvas c(4, 4);
  EXPECT_EQ(SetROP2(c.dc(), 0), 0);
  EXPECT_EQ(SetROP2(c.dc(), 17), 0);
}

TEST(GdiMix, XorTwiceRestoresEveryShape) {
  Canvas c(50, 50);
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 50; ++x) c.image().setPixel(x, y, qRgb(x * 5, y * 5, (x ^ y) & 0xFF));
  const QImage before = c.image().copy();
  Owned<HPEN> pen(CreatePen(PS_SOLID, 1, RGB(0x55, 0xAA, 0xFF)));
  Owned<HPEN> wide(CreatePen(PS_SOLID, 4, RGB(0x12, 0x34, 0x56)));
  Owned<HBRUSH> brush(CreateSolidBrush(RGB(0x0F, 0xF0, 0x3C)));
  SetROP2(c.dc(), R2_XORPEN);
  Selected sb(c.dc(), brush);
  const POINT poly[] = {{5, 5}, {45, 10}, {20, 45}};
  for (int pass = 0; pass < 2; ++pass) {
    for (HPEN p : {pen.get(), wide.get()}) {
      SelectObject(c.dc(), p);
      Rectangle(c.dc(), 3, 3, 30, 25);
      Ellipse(c.dc(), 10, 12, 44, 40);
      Polygon(c.dc(), poly, 3);
      RoundRect(c.dc(), 20, 2, 48, 30, 12, 8);
      Pie(c.dc(), 0, 20, 30, 50, 30, 35, 15, 20);
      MoveToEx(c.dc(), 1, 48, nullptr);
      LineTo(c.dc(), 48, 1);
    }
  }
  SelectObject(c.dc(), GetStockObject(BLACK_PEN));
  EXPECT_EQ(c.image(), before);
}

TEST(GdiPixels, SetPixelAndGetPixel) {
  Canvas c(10, 10);
  EXPECT_EQ(SetPixel(c.dc(), 3, 4, kRed), kRed);
  EXPECT_EQ(GetPixel(c.dc(), 3, 4), kRed);
  EXPECT_EQ(c.Px(3, 4), kRed);
  EXPECT_EQ(SetPixel(c.dc(), 10, 4, kRed), CLR_INVALID);
  EXPECT_EQ(GetPixel(c.dc(), -1, 0), CLR_INVALID);
  SetROP2(c.dc(), R2_XORPEN);
  SetPixel(c.dc(), 5, 5, kRed);
  EXPECT_EQ(c.Px(5, 5), kRed) << "SetPixel does not mix";
  IntersectClipRect(c.dc(), 0, 0, 5, 5);
  EXPECT_EQ(GetPixel(c.dc(), 5, 5), CLR_INVALID) << "outside the clip";
  EXPECT_EQ(SetPixel(c.dc(), 6, 6, kBlue), CLR_INVALID);
  EXPECT_EQ(c.Px(6, 6), kWhite);
}

TEST(GdiLimits, HugeCoordinatesStayBounded) {
  Canvas c(64, 64);
  Owned<HBRUSH> blue(CreateSolidBrush(kBlue));
  Selected sb(c.dc(), blue);
  MoveToEx(c.dc(), -100000000, 5, nullptr);
  ASSERT_TRUE(LineTo(c.dc(), 100000000, 5));
  EXPECT_EQ(c.Count(kBlack), 64);
  ASSERT_TRUE(Ellipse(c.dc(), -1000000, -1000000, 1000000, 1000000));
  EXPECT_EQ(c.Count(kBlue), 64 * 64) << "the middle of a huge ellipse";
  const POINT tri[] = {{-50000000, -50000000}, {50000000, -50000000}, {0, 50000000}};
  Owned<HBRUSH> red(CreateSolidBrush(kRed));
  Selected sr(c.dc(), red);
  ASSERT_TRUE(Polygon(c.dc(), tri, 3));
  EXPECT_EQ(c.Px(32, 32), kRed);
  Canvas small(4, 4, kRed);
  ASSERT_TRUE(StretchBlt(c.dc(), -2000000000, -2000000000, 2100000000, 2100000000, small.dc(), 0, 0, 4, 4, SRCCOPY));
  EXPECT_EQ(c.Count(kRed), 64 * 64);
  Owned<HRGN> rgn(CreateRectRgn(0, 0, 10, 10));
  ASSERT_TRUE(FrameRgn(c.dc(), rgn, blue, 1000000000, 1000000000));
  EXPECT_EQ(c.InkOf(kBlue), QRect(0, 0, 10, 10));
}

// Ellipses and rounded rectangles are written from runs of pixels kept per
// kind of shape; they must paint exactly what the rasteriser paints, with
// any size and corner, filled or hollow, through clips and mix modes. The
// shapes are drawn far from the surface's origin: near it the rasteriser's
// own outline may move by a pixel with the place (the rounding noise of an
// angle's cosine survives the addition to a small centre), where the runs
// draw every shape the same everywhere.
namespace {

// Three surfaces of 1200 x 1100 pixels; a case clears and compares the area
// at (1000, 1000) only.
struct RunSurfaces {
  static constexpr int kAt = 1000;
  Canvas raster{1200, 1100}, first{1200, 1100}, second{1200, 1100};
};

RunSurfaces& Surfaces() {
  static RunSurfaces s;
  return s;
}

// Draws rasterised and from runs (twice: the first drawing of a kind may
// make its runs, the second takes the kept ones) in the area of w x h at
// (1000, 1000), and answers the first pixel that differs ("" when none).
template <class Draw>
std::string RunsAgainstRasteriser(int w, int h, Draw&& draw) {
  RunSurfaces& s = Surfaces();
  const QRect area(RunSurfaces::kAt, RunSurfaces::kAt, w, h);
  for (Canvas* c : {&s.raster, &s.first, &s.second}) {
    QImage& im = c->image();
    for (int y = area.top(); y <= area.bottom(); ++y)
      std::fill_n(reinterpret_cast<uint32_t*>(im.scanLine(y)) + area.left(), w, 0xFFFFFFFFu);
  }
  const bool was = gdi::UseShapeRuns(false);
  draw(s.raster.dc());
  gdi::UseShapeRuns(true);
  draw(s.first.dc());
  draw(s.second.dc());
  gdi::UseShapeRuns(was);
  for (const Canvas* runs : {&s.first, &s.second})
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x)
        if (s.raster.Px(x, y) != runs->Px(x, y))
          return "pixel " + std::to_string(x - area.left()) + "," + std::to_string(y - area.top()) +
                 ": rasterised " + std::to_string(s.raster.Px(x, y)) + ", from runs " + std::to_string(runs->Px(x, y));
  return "";
}

}  // namespace

TEST(GdiShapeRuns, EllipsesAndRoundRectsMatchTheRasteriserOverSizesAndPens) {
  const int heights[] = {1, 2, 3, 4, 5, 7, 10, 14, 16, 25, 33, 48, 63, 64};
  constexpr int kAt = RunSurfaces::kAt;
  int shapes = 0;
  for (bool roundRect : {false, true})
    for (int pen = 0; pen <= 5; ++pen)
      for (bool filled : {false, true}) {
        Owned<HPEN> p(CreatePen(PS_SOLID, pen, kRed));
        Owned<HBRUSH> b(CreateSolidBrush(kBlue));
        // Wide pens are left to the rasteriser: fewer sizes show that.
        for (int w = 1; w <= 64; w += pen > 1 ? 9 : 1)
          for (int h : heights) {
            // Places with odd and even corners; the corner radii vary with the size.
            const int x = 5 + (w * 7 + h) % 9, y = 4 + (w + h * 3) % 7;
            const std::string diff = RunsAgainstRasteriser(90, 90, [&](HDC dc) {
              Selected sp(dc, p), sb(dc, filled ? HGDIOBJ(b) : GetStockObject(NULL_BRUSH));
              if (roundRect) RoundRect(dc, kAt + x, kAt + y, kAt + x + w, kAt + y + h, 1 + w % 13, 1 + (h * 5) % 11);
              else Ellipse(dc, kAt + x, kAt + y, kAt + x + w, kAt + y + h);
            });
            ++shapes;
            ASSERT_EQ(diff, "") << (roundRect ? "RoundRect " : "Ellipse ") << w << " x " << h << ", pen " << pen
                                << (filled ? ", filled" : ", hollow");
          }
      }
  EXPECT_EQ(shapes, 2 * 2 * (2 * 64 + 4 * 8) * 14);
}

TEST(GdiShapeRuns, ShapesNearTheOriginAreThoseDrawnElsewhere) {
  Owned<HPEN> p(CreatePen(PS_SOLID, 1, kRed));
  Owned<HBRUSH> b(CreateSolidBrush(kBlue));
  for (int w = 1; w <= 40; w += 3)
    for (int h = 1; h <= 40; h += 2)
      for (bool roundRect : {false, true}) {
        QImage shapes[2];
        for (int k = 0; k < 2; ++k) {
          const int at = k == 0 ? 1 : 1500;
          Canvas c(1600, 50);
          Selected sp(c.dc(), p), sb(c.dc(), b);
          if (roundRect) RoundRect(c.dc(), at, 3, at + w, 3 + h, 8, 8);
          else Ellipse(c.dc(), at, 3, at + w, 3 + h);
          shapes[k] = c.image().copy(at, 0, 45, 50);
        }
        ASSERT_EQ(shapes[0], shapes[1]) << (roundRect ? "RoundRect " : "Ellipse ") << w << " x " << h;
        if (!roundRect) {
          // An ellipse's outline stays symmetric left to right and top to bottom.
          const QImage& e = shapes[0];
          auto pen = [&](int x, int y) { return (e.pixel(x, y) & 0xFFFFFF) == 0xFF0000; };
          for (int y = 3; y < 3 + h; ++y)
            for (int x = 0; x < w; ++x) {
              ASSERT_EQ(pen(x, y), pen(w - 1 - x, y)) << w << " x " << h << " at " << x << "," << y;
              ASSERT_EQ(pen(x, y), pen(x, 3 + h - 1 - (y - 3))) << w << " x " << h << " at " << x << "," << y;
            }
        }
      }
}

TEST(GdiShapeRuns, PensBrushesClipsAndMixModesMatchTheRasteriser) {
  struct Case {
    const char* name;
    std::function<void(HDC)> setup;
  };
  constexpr int kAt = RunSurfaces::kAt;
  const LOGBRUSH solid{BS_SOLID, kGreen, 0};
  Owned<HPEN> frame3(CreatePen(PS_INSIDEFRAME, 3, kRed)), frame1(CreatePen(PS_INSIDEFRAME, 1, kRed));
  Owned<HPEN> flatMiter(ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER, 4, &solid, 0, nullptr));
  Owned<HPEN> cosmetic(ExtCreatePen(PS_COSMETIC | PS_SOLID, 1, &solid, 0, nullptr));
  Owned<HPEN> dashed(CreatePen(PS_DASH, 1, kRed)), thin(CreatePen(PS_SOLID, 0, kRed));
  Owned<HBRUSH> hatch(CreateHatchBrush(HS_DIAGCROSS, kBlue)), blue(CreateSolidBrush(kBlue));
  Owned<HRGN> clip(CreateEllipticRgn(kAt + 10, kAt + 8, kAt + 50, kAt + 40));
  const Case cases[] = {
      {"inside frame, one pixel", [&](HDC dc) { SelectObject(dc, frame1); SelectObject(dc, blue); }},
      {"inside frame 3 (rasterised)", [&](HDC dc) { SelectObject(dc, frame3); SelectObject(dc, blue); }},
      {"flat ends, mitred joins (rasterised)", [&](HDC dc) { SelectObject(dc, flatMiter); SelectObject(dc, blue); }},
      {"cosmetic pen, hollow", [&](HDC dc) { SelectObject(dc, cosmetic); SelectObject(dc, GetStockObject(NULL_BRUSH)); }},
      {"dashed pen (rasterised)", [&](HDC dc) { SelectObject(dc, dashed); SelectObject(dc, blue); }},
      {"hatched brush, opaque", [&](HDC dc) {
         SelectObject(dc, thin);
         SelectObject(dc, hatch);
         SetBkMode(dc, OPAQUE);
         SetBkColor(dc, kGreen);
       }},
      {"no pen", [&](HDC dc) { SelectObject(dc, GetStockObject(NULL_PEN)); SelectObject(dc, hatch); }},
      {"exclusive or", [&](HDC dc) {
         SelectObject(dc, thin);
         SelectObject(dc, blue);
         SetROP2(dc, R2_XORPEN);
       }},
      {"elliptic clip", [&](HDC dc) {
         SelectObject(dc, thin);
         SelectObject(dc, blue);
         SelectClipRgn(dc, clip);
       }},
      {"scaled mapping", [&](HDC dc) {
         SelectObject(dc, thin);
         SelectObject(dc, blue);
         SetMapMode(dc, MM_ANISOTROPIC);
         SetWindowExtEx(dc, 2, 2, nullptr);
         SetViewportExtEx(dc, 3, 3, nullptr);
         SetViewportOrgEx(dc, kAt, kAt, nullptr);
       }},
  };
  for (const Case& k : cases)
    for (bool roundRect : {false, true})
      // Inside the area, and across each of its edges (a clip).
      for (const QRect& r : {QRect(6, 5, 31, 22), QRect(-9, -7, 30, 25), QRect(40, 30, 30, 25), QRect(20, -12, 9, 60)}) {
        const std::string diff = RunsAgainstRasteriser(60, 50, [&](HDC dc) {
          const int saved = SaveDC(dc);
          Owned<HRGN> area(CreateRectRgn(kAt, kAt, kAt + 60, kAt + 50));
          ExtSelectClipRgn(dc, area, RGN_COPY);
          k.setup(dc);
          const bool scaled = std::string(k.name) == "scaled mapping";
          const int o = scaled ? 0 : kAt;
          if (roundRect) RoundRect(dc, o + r.left(), o + r.top(), o + r.right() + 1, o + r.bottom() + 1, 9, 6);
          else Ellipse(dc, o + r.left(), o + r.top(), o + r.right() + 1, o + r.bottom() + 1);
          RestoreDC(dc, saved);
        });
        EXPECT_EQ(diff, "") << k.name << (roundRect ? ", RoundRect " : ", Ellipse ") << r.x() << "," << r.y() << " "
                            << r.width() << " x " << r.height();
      }
}
