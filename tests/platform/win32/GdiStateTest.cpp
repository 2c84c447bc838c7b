// Clipping, saved states, origins and mapping modes.

#include <gtest/gtest.h>

#include "tests/platform/win32/GdiTestSupport.h"

using namespace gditest;

namespace {
void FillAll(HDC dc, COLORREF c) {
  Owned<HBRUSH> b(CreateSolidBrush(c));
  RECT all{-1000, -1000, 1000, 1000};
  FillRect(dc, &all, b);
}
}  // namespace

TEST(GdiClip, IntersectClipRectAccumulates) {
  Canvas c(40, 40);
  EXPECT_EQ(IntersectClipRect(c.dc(), 5, 5, 30, 30), SIMPLEREGION);
  EXPECT_EQ(IntersectClipRect(c.dc(), 10, 0, 40, 20), SIMPLEREGION);
  FillAll(c.dc(), kRed);
  EXPECT_EQ(c.Ink(), QRect(QPoint(10, 5), QPoint(29, 19)));
  RECT box{};
  EXPECT_EQ(GetClipBox(c.dc(), &box), SIMPLEREGION);
  EXPECT_EQ(box.left, 10);
  EXPECT_EQ(box.top, 5);
  EXPECT_EQ(box.right, 30);
  EXPECT_EQ(box.bottom, 20);
  EXPECT_EQ(IntersectClipRect(c.dc(), 0, 0, 2, 2), NULLREGION) << "disjoint: nothing left";
  c.Fill(kWhite);
  FillAll(c.dc(), kRed);
  EXPECT_EQ(c.Count(kRed), 0);
}

TEST(GdiClip, ExcludeClipRectMakesAHole) {
  Canvas c(20, 20);
  EXPECT_EQ(ExcludeClipRect(c.dc(), 5, 5, 10, 10), COMPLEXREGION);
  FillAll(c.dc(), kRed);
  EXPECT_EQ(c.Count(kWhite), 25);
  EXPECT_EQ(c.Px(5, 5), kWhite);
  EXPECT_EQ(c.Px(10, 10), kRed);
  EXPECT_FALSE(PtVisible(c.dc(), 7, 7));
  EXPECT_TRUE(PtVisible(c.dc(), 12, 7));
  RECT inside{6, 6, 8, 8}, across{8, 8, 12, 12};
  EXPECT_FALSE(RectVisible(c.dc(), &inside));
  EXPECT_TRUE(RectVisible(c.dc(), &across));
}

TEST(GdiClip, SelectClipRgnCopiesAndGetClipRgnReports) {
  Canvas c(20, 20);
  Owned<HRGN> probe(CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(GetClipRgn(c.dc(), probe), 0) << "no clip region yet";
  Owned<HRGN> rgn(CreateEllipticRgn(0, 0, 20, 20));
  EXPECT_EQ(SelectClipRgn(c.dc(), rgn), COMPLEXREGION);
  OffsetRgn(rgn, 100, 100);  // the DC keeps its own copy
  FillAll(c.dc(), kRed);
  EXPECT_EQ(c.Px(10, 10), kRed);
  EXPECT_EQ(c.Px(0, 0), kWhite);
  EXPECT_EQ(GetClipRgn(c.dc(), probe), 1);
  EXPECT_TRUE(PtInRegion(probe, 10, 10));
  EXPECT_FALSE(PtInRegion(probe, 0, 0));
  EXPECT_EQ(SelectClipRgn(c.dc(), nullptr), SIMPLEREGION);
  EXPECT_EQ(GetClipRgn(c.dc(), probe), 0);
}

TEST(GdiClip, ExtSelectClipRgnModes) {
  struct Case {
    int mode;
    bool in5, in15, in25;  // three probe points along a row
  } cases[] = {
      {RGN_AND, false, true, false},
      {RGN_OR, true, true, true},
      {RGN_XOR, true, false, true},
      {RGN_DIFF, true, false, false},
      {RGN_COPY, false, true, true},
  };
  for (const Case& k : cases) {
    Canvas c(30, 10);
    IntersectClipRect(c.dc(), 0, 0, 20, 10);  // clip: x 0..19
    Owned<HRGN> rgn(CreateRectRgn(10, 0, 30, 10));  // region: x 10..29
    EXPECT_NE(ExtSelectClipRgn(c.dc(), rgn, k.mode), ERROR) << k.mode;
    EXPECT_EQ(PtVisible(c.dc(), 5, 5) != 0, k.in5) << k.mode;
    EXPECT_EQ(PtVisible(c.dc(), 15, 5) != 0, k.in15) << k.mode;
    EXPECT_EQ(PtVisible(c.dc(), 25, 5) != 0, k.in25) << k.mode;
  }
  Canvas c(10, 10);
  EXPECT_EQ(ExtSelectClipRgn(c.dc(), nullptr, RGN_AND), ERROR) << "only RGN_COPY takes no region";
}

TEST(GdiClip, ClipRegionsStayInDeviceUnits) {
  Canvas c(40, 40);
  SetViewportOrgEx(c.dc(), 10, 10, nullptr);
  IntersectClipRect(c.dc(), 0, 0, 10, 10);  // logical: device 10..19
  SetViewportOrgEx(c.dc(), 0, 0, nullptr);   // the clip does not move
  FillAll(c.dc(), kRed);
  EXPECT_EQ(c.Ink(), QRect(QPoint(10, 10), QPoint(19, 19)));
  RECT box{};
  SetWindowOrgEx(c.dc(), 5, 5, nullptr);
  GetClipBox(c.dc(), &box);
  EXPECT_EQ(box.left, 15) << "GetClipBox answers in logical units";
  EXPECT_EQ(box.right, 25);
}

TEST(GdiSaveDC, RestoresPenBrushClipOriginAndColours) {
  Canvas c(40, 40);
  Owned<HPEN> pen(CreatePen(PS_SOLID, 1, kRed));
  Owned<HBRUSH> brush(CreateSolidBrush(kBlue));
  const int level = SaveDC(c.dc());
  EXPECT_EQ(level, 1);
  SelectObject(c.dc(), pen);
  SelectObject(c.dc(), brush);
  IntersectClipRect(c.dc(), 0, 0, 5, 5);
  SetViewportOrgEx(c.dc(), 7, 8, nullptr);
  SetTextColor(c.dc(), kGreen);
  SetBkMode(c.dc(), TRANSPARENT);
  SetROP2(c.dc(), R2_XORPEN);
  EXPECT_EQ(SaveDC(c.dc()), 2);
  ASSERT_TRUE(RestoreDC(c.dc(), level));
  EXPECT_EQ(GetCurrentObject(c.dc(), OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(c.dc(), OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
  POINT org{};
  GetViewportOrgEx(c.dc(), &org);
  EXPECT_EQ(org.x, 0);
  EXPECT_EQ(org.y, 0);
  EXPECT_EQ(GetTextColor(c.dc()), kBlack);
  EXPECT_EQ(GetBkMode(c.dc()), OPAQUE);
  EXPECT_EQ(GetROP2(c.dc()), R2_COPYPEN);
  Owned<HRGN> probe(CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(GetClipRgn(c.dc(), probe), 0) << "the clip is gone again";
  EXPECT_FALSE(RestoreDC(c.dc(), 1)) << "level 1 was consumed";
}

TEST(GdiSaveDC, RelativeLevelsAndBadLevels) {
  Canvas c;
  SetTextColor(c.dc(), RGB(1, 1, 1));
  SaveDC(c.dc());
  SetTextColor(c.dc(), RGB(2, 2, 2));
  SaveDC(c.dc());
  SetTextColor(c.dc(), RGB(3, 3, 3));
  SaveDC(c.dc());
  SetTextColor(c.dc(), RGB(4, 4, 4));
  EXPECT_FALSE(RestoreDC(c.dc(), 0));
  EXPECT_FALSE(RestoreDC(c.dc(), 4));
  EXPECT_FALSE(RestoreDC(c.dc(), -4));
  ASSERT_TRUE(RestoreDC(c.dc(), -2));  // back to the second save
  EXPECT_EQ(GetTextColor(c.dc()), RGB(2, 2, 2));
  ASSERT_TRUE(RestoreDC(c.dc(), -1));
  EXPECT_EQ(GetTextColor(c.dc()), RGB(1, 1, 1));
  EXPECT_FALSE(RestoreDC(c.dc(), -1));
}

TEST(GdiMapping, OriginsMoveDrawing) {
  Canvas c(40, 40);
  POINT old{};
  SetViewportOrgEx(c.dc(), 10, 5, &old);
  EXPECT_EQ(old.x, 0);
  OffsetViewportOrgEx(c.dc(), 2, 2, &old);
  EXPECT_EQ(old.x, 10);
  SetWindowOrgEx(c.dc(), 3, 1, nullptr);
  // Device = logical - window origin + viewport origin = (x + 9, y + 6).
  SetPixel(c.dc(), 0, 0, kRed);
  EXPECT_EQ(c.Px(9, 6), kRed);
  POINT pts[] = {{0, 0}, {10, 20}};
  LPtoDP(c.dc(), pts, 2);
  EXPECT_EQ(pts[1].x, 19);
  EXPECT_EQ(pts[1].y, 26);
  DPtoLP(c.dc(), pts, 2);
  EXPECT_EQ(pts[1].x, 10);
  EXPECT_EQ(pts[1].y, 20);
  Rectangle(c.dc(), 0, 0, 5, 5);
  EXPECT_EQ(c.Ink(kWhite), QRect(QPoint(9, 6), QPoint(13, 10)));
}

TEST(GdiMapping, MapModesScaleAndFlip) {
  Canvas c(200, 200);
  EXPECT_EQ(SetMapMode(c.dc(), MM_LOMETRIC), MM_TEXT);
  // 254 logical units of a tenth of a millimetre are one inch = 96 pixels;
  // y grows upwards.
  POINT p{254, -254};
  LPtoDP(c.dc(), &p, 1);
  EXPECT_EQ(p.x, 96);
  EXPECT_EQ(p.y, 96);
  SetMapMode(c.dc(), MM_ANISOTROPIC);
  SetWindowExtEx(c.dc(), 10, 10, nullptr);
  SetViewportExtEx(c.dc(), 20, 30, nullptr);
  POINT q{5, 5};
  LPtoDP(c.dc(), &q, 1);
  EXPECT_EQ(q.x, 10);
  EXPECT_EQ(q.y, 15);
  SetMapMode(c.dc(), MM_ISOTROPIC);
  POINT r{5, 5};
  LPtoDP(c.dc(), &r, 1);
  EXPECT_EQ(r.x, 10) << "isotropic keeps one scale for both axes";
  EXPECT_EQ(r.y, 10);
  SetMapMode(c.dc(), MM_TEXT);
  SIZE ext{};
  GetWindowExtEx(c.dc(), &ext);
  EXPECT_EQ(ext.cx, 1);
  // Shapes follow the scale.
  Canvas d(100, 100);
  SetMapMode(d.dc(), MM_ANISOTROPIC);
  SetWindowExtEx(d.dc(), 1, 1, nullptr);
  SetViewportExtEx(d.dc(), 4, 4, nullptr);
  Owned<HBRUSH> b(CreateSolidBrush(kBlue));
  RECT rc{1, 1, 5, 5};
  FillRect(d.dc(), &rc, b);
  EXPECT_EQ(d.Ink(), QRect(QPoint(4, 4), QPoint(19, 19)));
}
