// GDI paths.

#include <gtest/gtest.h>

#include <vector>

#include "tests/platform/win32/GdiTestSupport.h"

using namespace gditest;

TEST(GdiPaths, FillStrokeAndStrokeAndFill) {
  Owned<HBRUSH> blue(CreateSolidBrush(kBlue));
  Owned<HPEN> red(CreatePen(PS_SOLID, 1, kRed));
  for (int op = 0; op < 3; ++op) {
    Canvas c(30, 30);
    Selected sb(c.dc(), blue), sp(c.dc(), red);
    ASSERT_TRUE(BeginPath(c.dc()));
    MoveToEx(c.dc(), 5, 5, nullptr);
    LineTo(c.dc(), 25, 5);
    LineTo(c.dc(), 25, 25);
    LineTo(c.dc(), 5, 25);
    CloseFigure(c.dc());
    ASSERT_TRUE(EndPath(c.dc()));
    EXPECT_EQ(c.Count(kWhite), 900) << "nothing is drawn inside the bracket";
    if (op == 0) {
      ASSERT_TRUE(FillPath(c.dc()));
      EXPECT_EQ(c.InkOf(kBlue), QRect(QPoint(5, 5), QPoint(24, 24)));
      EXPECT_EQ(c.Count(kRed), 0);
    } else if (op == 1) {
      ASSERT_TRUE(StrokePath(c.dc()));
      EXPECT_EQ(c.InkOf(kRed), QRect(QPoint(5, 5), QPoint(25, 25)));
      EXPECT_EQ(c.Px(15, 15), kWhite);
    } else {
      ASSERT_TRUE(StrokeAndFillPath(c.dc()));
      EXPECT_EQ(c.Px(25, 15), kRed);
      EXPECT_EQ(c.Px(15, 15), kBlue);
    }
    EXPECT_FALSE(FillPath(c.dc())) << "the path is used up";
  }
}

TEST(GdiPaths, BracketRules) {
  Canvas c(10, 10);
  EXPECT_FALSE(EndPath(c.dc()));
  EXPECT_FALSE(StrokePath(c.dc()));
  BeginPath(c.dc());
  EXPECT_FALSE(FillPath(c.dc())) << "the bracket is still open";
  Rectangle(c.dc(), 1, 1, 5, 5);
  ASSERT_TRUE(AbortPath(c.dc()));
  EXPECT_FALSE(EndPath(c.dc()));
  Rectangle(c.dc(), 1, 1, 5, 5);
  EXPECT_EQ(c.Px(1, 1), kBlack) << "drawing again after AbortPath";
}

TEST(GdiPaths, PathToRegionAndClipPath) {
  Canvas c(40, 40);
  BeginPath(c.dc());
  Ellipse(c.dc(), 0, 0, 40, 40);
  EndPath(c.dc());
  Owned<HRGN> rgn(PathToRegion(c.dc()));
  ASSERT_NE(rgn.get(), nullptr);
  EXPECT_TRUE(PtInRegion(rgn, 20, 20));
  EXPECT_FALSE(PtInRegion(rgn, 1, 1));

  BeginPath(c.dc());
  Rectangle(c.dc(), 10, 10, 20, 20);
  EndPath(c.dc());
  ASSERT_TRUE(SelectClipPath(c.dc(), RGN_COPY));
  Owned<HBRUSH> red(CreateSolidBrush(kRed));
  RECT all{0, 0, 40, 40};
  FillRect(c.dc(), &all, red);
  EXPECT_EQ(c.InkOf(kRed), QRect(QPoint(10, 10), QPoint(18, 18)));
}

TEST(GdiPaths, GetPathReportsPointsAndTypes) {
  Canvas c(20, 20);
  SetViewportOrgEx(c.dc(), 3, 0, nullptr);
  BeginPath(c.dc());
  MoveToEx(c.dc(), 1, 2, nullptr);
  LineTo(c.dc(), 5, 2);
  const POINT bez[] = {{6, 6}, {7, 7}, {8, 2}};
  PolyBezierTo(c.dc(), bez, 3);
  CloseFigure(c.dc());
  EndPath(c.dc());
  const int n = GetPath(c.dc(), nullptr, nullptr, 0);
  ASSERT_EQ(n, 5);
  std::vector<POINT> pts(5);
  std::vector<BYTE> types(5);
  ASSERT_EQ(GetPath(c.dc(), pts.data(), types.data(), n), 5);
  EXPECT_EQ(types[0], PT_MOVETO);
  EXPECT_EQ(types[1], PT_LINETO);
  EXPECT_EQ(types[2], PT_BEZIERTO);
  EXPECT_EQ(types[4], PT_BEZIERTO | PT_CLOSEFIGURE);
  EXPECT_EQ(pts[0].x, 1) << "logical units";
  EXPECT_EQ(pts[4].x, 8);
  EXPECT_EQ(GetPath(c.dc(), pts.data(), types.data(), 2), -1) << "buffer too small";
  ASSERT_TRUE(FlattenPath(c.dc()));
  const int flat = GetPath(c.dc(), nullptr, nullptr, 0);
  EXPECT_GT(flat, 5);
  std::vector<POINT> fp(static_cast<size_t>(flat));
  std::vector<BYTE> ft(static_cast<size_t>(flat));
  GetPath(c.dc(), fp.data(), ft.data(), flat);
  for (int i = 1; i < flat; ++i) EXPECT_EQ(ft[size_t(i)] & ~PT_CLOSEFIGURE, PT_LINETO);
}

TEST(GdiPaths, WidenPathAndTextInAPath) {
  Canvas c(40, 40);
  Owned<HPEN> wide(CreatePen(PS_SOLID, 6, kRed));
  Selected sp(c.dc(), wide);
  BeginPath(c.dc());
  MoveToEx(c.dc(), 5, 20, nullptr);
  LineTo(c.dc(), 35, 20);
  EndPath(c.dc());
  ASSERT_TRUE(WidenPath(c.dc()));
  Selected sb(c.dc(), GetStockObject(BLACK_BRUSH));
  FillPath(c.dc());
  EXPECT_EQ(c.Px(20, 18), kBlack);
  EXPECT_EQ(c.Px(20, 22), kBlack);
  EXPECT_EQ(c.Px(20, 25), kWhite);

  Canvas t(80, 40);
  Owned<HFONT> font(TestFont(-24));
  Selected sf(t.dc(), font), tb(t.dc(), GetStockObject(BLACK_BRUSH));
  BeginPath(t.dc());
  TextOut(t.dc(), 2, 2, u"Hi", 2);
  EndPath(t.dc());
  EXPECT_EQ(t.Count(kWhite), 80 * 40);
  FillPath(t.dc());
  EXPECT_GT(t.Count(kBlack), 50) << "glyph outlines filled";
  EXPECT_GE(t.Ink().left(), 2);
}
