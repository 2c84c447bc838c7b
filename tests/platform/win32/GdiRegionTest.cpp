// Regions: construction, combination, queries and painting.

#include <gtest/gtest.h>

#include "tests/platform/win32/GdiTestSupport.h"

using namespace gditest;

TEST(GdiRegions, CombineTable) {
  // Two overlapping squares: a = x 0..9, b = x 5..14 (y 0..9).
  struct Case {
    int mode;
    int type;
    bool at2, at7, at12;
  } cases[] = {
      {RGN_AND, SIMPLEREGION, false, true, false},
      {RGN_OR, SIMPLEREGION, true, true, true},
      {RGN_XOR, COMPLEXREGION, true, false, true},
      {RGN_DIFF, SIMPLEREGION, true, false, false},
      {RGN_COPY, SIMPLEREGION, true, true, false},
  };
  for (const Case& k : cases) {
    Owned<HRGN> a(CreateRectRgn(0, 0, 10, 10)), b(CreateRectRgn(5, 0, 15, 10)), dst(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(CombineRgn(dst, a, b, k.mode), k.type) << k.mode;
    EXPECT_EQ(PtInRegion(dst, 2, 5) != 0, k.at2) << k.mode;
    EXPECT_EQ(PtInRegion(dst, 7, 5) != 0, k.at7) << k.mode;
    EXPECT_EQ(PtInRegion(dst, 12, 5) != 0, k.at12) << k.mode;
  }
  Owned<HRGN> a(CreateRectRgn(0, 0, 10, 10)), b(CreateRectRgn(20, 20, 30, 30)), dst(CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(CombineRgn(dst, a, b, RGN_AND), NULLREGION);
  EXPECT_EQ(CombineRgn(dst, a, nullptr, RGN_OR), ERROR);
  EXPECT_EQ(CombineRgn(dst, a, b, 9), ERROR);
}

TEST(GdiRegions, RectanglesLeaveOutTheirRightAndBottomEdges) {
  Owned<HRGN> r(CreateRectRgn(2, 3, 8, 9));
  EXPECT_TRUE(PtInRegion(r, 2, 3));
  EXPECT_TRUE(PtInRegion(r, 7, 8));
  EXPECT_FALSE(PtInRegion(r, 8, 8));
  EXPECT_FALSE(PtInRegion(r, 7, 9));
  RECT box{};
  EXPECT_EQ(GetRgnBox(r, &box), SIMPLEREGION);
  EXPECT_EQ(box.right, 8);
  EXPECT_EQ(box.bottom, 9);
  EXPECT_EQ(OffsetRgn(r, 10, -3), SIMPLEREGION);
  EXPECT_TRUE(PtInRegion(r, 12, 0));
  RECT in{0, 0, 13, 1}, out{0, 0, 12, 1};
  EXPECT_TRUE(RectInRegion(r, &in));
  EXPECT_FALSE(RectInRegion(r, &out));
  Owned<HRGN> empty(CreateRectRgn(5, 5, 5, 9));
  EXPECT_EQ(GetRgnBox(empty, &box), NULLREGION);
  EXPECT_EQ(box.right, 0);
}

TEST(GdiRegions, EllipsesRoundRectsAndPolygons) {
  Owned<HRGN> e(CreateEllipticRgn(0, 0, 20, 10));
  RECT box{};
  EXPECT_EQ(GetRgnBox(e, &box), COMPLEXREGION);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.top, 0);
  EXPECT_EQ(box.right, 20);
  EXPECT_EQ(box.bottom, 10);
  EXPECT_TRUE(PtInRegion(e, 10, 5));
  EXPECT_FALSE(PtInRegion(e, 0, 0));
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) {
      EXPECT_EQ(PtInRegion(e, x, y), PtInRegion(e, 19 - x, y)) << x << "," << y;
      EXPECT_EQ(PtInRegion(e, x, y), PtInRegion(e, x, 9 - y)) << x << "," << y;
    }
  Owned<HRGN> rr(CreateRoundRectRgn(0, 0, 20, 20, 8, 8));
  EXPECT_FALSE(PtInRegion(rr, 0, 0));
  EXPECT_TRUE(PtInRegion(rr, 10, 0));
  EXPECT_TRUE(PtInRegion(rr, 3, 3));
  const POINT tri[] = {{0, 0}, {10, 0}, {0, 10}};
  Owned<HRGN> t(CreatePolygonRgn(tri, 3, ALTERNATE));
  EXPECT_TRUE(PtInRegion(t, 0, 0));
  EXPECT_TRUE(PtInRegion(t, 9, 0));
  EXPECT_FALSE(PtInRegion(t, 10, 0));
  EXPECT_FALSE(PtInRegion(t, 6, 6));
  // Fill modes of a self-overlapping polygon (a square drawn twice).
  const POINT twice[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {10, 0}, {10, 10}, {0, 10}};
  Owned<HRGN> alt(CreatePolygonRgn(twice, 8, ALTERNATE)), wind(CreatePolygonRgn(twice, 8, WINDING));
  EXPECT_TRUE(PtInRegion(wind, 5, 5));
  EXPECT_NE(PtInRegion(alt, 5, 5), PtInRegion(wind, 5, 5));
}

TEST(GdiRegions, EqualRgnComparesPixelSets) {
  Owned<HRGN> a(CreateRectRgn(0, 0, 10, 10));
  Owned<HRGN> left(CreateRectRgn(0, 0, 5, 10)), right(CreateRectRgn(5, 0, 10, 10)), joined(CreateRectRgn(0, 0, 0, 0));
  CombineRgn(joined, left, right, RGN_OR);
  EXPECT_TRUE(EqualRgn(a, joined));
  OffsetRgn(joined, 1, 0);
  EXPECT_FALSE(EqualRgn(a, joined));
  EXPECT_TRUE(SetRectRgn(joined, 0, 0, 10, 10));
  EXPECT_TRUE(EqualRgn(a, joined));
}

TEST(GdiRegions, FillFrameInvertAndPaint) {
  Canvas c(30, 30);
  Owned<HRGN> r(CreateRectRgn(5, 5, 15, 15));
  Owned<HBRUSH> red(CreateSolidBrush(kRed));
  ASSERT_TRUE(FillRgn(c.dc(), r, red));
  EXPECT_EQ(c.InkOf(kRed), QRect(QPoint(5, 5), QPoint(14, 14)));
  c.Fill(kWhite);
  ASSERT_TRUE(FrameRgn(c.dc(), r, red, 2, 1));
  EXPECT_EQ(c.Px(5, 5), kRed);
  EXPECT_EQ(c.Px(6, 8), kRed) << "two wide at the sides";
  EXPECT_EQ(c.Px(7, 8), kWhite);
  EXPECT_EQ(c.Px(8, 6), kWhite) << "one high at top";
  EXPECT_EQ(c.Count(kRed), 100 - 6 * 8);
  c.Fill(kWhite);
  ASSERT_TRUE(InvertRgn(c.dc(), r));
  EXPECT_EQ(c.Count(kBlack), 100);
  // Regions drawn through a DC are in logical units.
  c.Fill(kWhite);
  SetViewportOrgEx(c.dc(), 10, 0, nullptr);
  Owned<HBRUSH> blue(CreateSolidBrush(kBlue));
  SelectObject(c.dc(), blue);
  ASSERT_TRUE(PaintRgn(c.dc(), r));
  EXPECT_EQ(c.InkOf(kBlue), QRect(QPoint(15, 5), QPoint(24, 14)));
  SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
}

// Several figures under the winding rule add up their winding numbers: a
// figure turning the other way inside another cuts a hole, one turning the
// same way does not; under the alternate rule both are holes. The same for
// a region made from a path.
TEST(GdiRegions, FiguresOfOneRegionAddTheirWindings) {
  const POINT outer[] = {{0, 0}, {20, 0}, {20, 20}, {0, 20}};
  const POINT against[] = {{5, 5}, {5, 15}, {15, 15}, {15, 5}};
  const POINT along[] = {{5, 5}, {15, 5}, {15, 15}, {5, 15}};
  const struct {
    const POINT* Inner;
    int Mode;
    bool Hole;
  } cases[] = {{against, WINDING, true}, {along, WINDING, false}, {against, ALTERNATE, true}, {along, ALTERNATE, true}};
  for (const auto& c : cases) {
    POINT points[8];
    for (int i = 0; i < 4; ++i) {
      points[i] = outer[i];
      points[4 + i] = c.Inner[i];
    }
    const INT counts[] = {4, 4};
    Owned<HRGN> r(CreatePolyPolygonRgn(points, counts, 2, c.Mode));
    EXPECT_TRUE(PtInRegion(r, 2, 2)) << c.Mode;
    EXPECT_EQ(PtInRegion(r, 10, 10) == FALSE, c.Hole)
        << "mode " << c.Mode << (c.Inner == along ? " along" : " against");
    EXPECT_FALSE(PtInRegion(r, 25, 25));

    Canvas canvas(32, 32);
    const HDC dc = canvas.dc();
    SetPolyFillMode(dc, c.Mode);
    BeginPath(dc);
    Polygon(dc, outer, 4);
    Polygon(dc, c.Inner, 4);
    EndPath(dc);
    Owned<HRGN> fromPath(PathToRegion(dc));
    ASSERT_NE(fromPath.get(), nullptr);
    EXPECT_EQ(PtInRegion(fromPath, 10, 10) == FALSE, c.Hole) << "path, mode " << c.Mode;
    EXPECT_TRUE(PtInRegion(fromPath, 2, 2));
  }
}
