// System colours, DrawEdge, DrawFrameControl and DrawFocusRect.

#include <gtest/gtest.h>

#include "tests/platform/win32/GdiTestSupport.h"

using namespace gditest;

TEST(SysColors, ClassicTableAndBrushes) {
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), kWhite);
  EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), kBlack);
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), RGB(128, 128, 128));
  EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), RGB(64, 64, 64));
  EXPECT_EQ(GetSysColor(COLOR_INFOBK), RGB(255, 255, 225));
  EXPECT_EQ(GetSysColor(COLOR_3DFACE), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(GetSysColor(-1), 0u);
  EXPECT_EQ(GetSysColor(99), 0u);
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), face);
  EXPECT_TRUE(DeleteObject(face));
  LOGBRUSH lb{};
  ASSERT_EQ(GetObject(face, sizeof(lb), &lb), int(sizeof(lb))) << "a stock brush survives DeleteObject";
  EXPECT_EQ(lb.lbColor, RGB(212, 208, 200));
  EXPECT_EQ(GetSysColorBrush(99), nullptr);

  const INT which[] = {COLOR_BTNFACE};
  const COLORREF value[] = {RGB(240, 240, 240)};
  ASSERT_TRUE(SetSysColors(1, which, value));
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(240, 240, 240));
  GetObject(face, sizeof(lb), &lb);
  EXPECT_EQ(lb.lbColor, RGB(240, 240, 240)) << "the brush follows";
  const COLORREF classic[] = {RGB(212, 208, 200)};
  SetSysColors(1, which, classic);
}

TEST(DrawEdgeTest, RaisedAndSunkenColours) {
  const COLORREF light = GetSysColor(COLOR_3DLIGHT), dark = GetSysColor(COLOR_3DDKSHADOW),
                 hilight = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
  struct Case {
    UINT edge;
    COLORREF outerTopLeft, outerBottomRight, innerTopLeft, innerBottomRight;
  } cases[] = {
      {EDGE_RAISED, light, dark, hilight, shadow},
      {EDGE_SUNKEN, shadow, hilight, dark, light},
      {EDGE_ETCHED, shadow, hilight, hilight, shadow},
      {EDGE_BUMP, light, dark, dark, light},
  };
  for (const Case& k : cases) {
    Canvas c(30, 30, kRed);
    RECT r{5, 5, 25, 20};
    ASSERT_TRUE(DrawEdge(c.dc(), &r, k.edge, BF_RECT));
    EXPECT_EQ(c.Px(5, 10), k.outerTopLeft) << k.edge;
    EXPECT_EQ(c.Px(10, 5), k.outerTopLeft);
    EXPECT_EQ(c.Px(24, 10), k.outerBottomRight);
    EXPECT_EQ(c.Px(10, 19), k.outerBottomRight);
    EXPECT_EQ(c.Px(24, 5), k.outerBottomRight) << "the top-right corner belongs to the dark side";
    EXPECT_EQ(c.Px(5, 19), k.outerBottomRight) << "and the bottom-left one";
    EXPECT_EQ(c.Px(6, 10), k.innerTopLeft);
    EXPECT_EQ(c.Px(23, 10), k.innerBottomRight);
    EXPECT_EQ(c.Px(10, 10), kRed) << "no middle without BF_MIDDLE";
    EXPECT_EQ(c.Px(25, 10), kRed);
    EXPECT_EQ(c.Px(10, 20), kRed);
  }
}

TEST(DrawEdgeTest, SoftSwapsTheLightShades) {
  Canvas c(30, 30, kRed);
  RECT r{5, 5, 25, 25};
  DrawEdge(c.dc(), &r, EDGE_RAISED, BF_RECT | BF_SOFT);
  EXPECT_EQ(c.Px(5, 10), GetSysColor(COLOR_BTNHIGHLIGHT)) << "the outer light border";
  EXPECT_EQ(c.Px(6, 10), GetSysColor(COLOR_3DLIGHT)) << "the inner one";
  EXPECT_EQ(c.Px(24, 10), GetSysColor(COLOR_3DDKSHADOW));
}

TEST(DrawEdgeTest, SidesMiddleAdjustFlatAndMono) {
  Canvas c(30, 30, kRed);
  RECT r{5, 5, 25, 25};
  ASSERT_TRUE(DrawEdge(c.dc(), &r, EDGE_SUNKEN, BF_LEFT | BF_TOP | BF_MIDDLE | BF_ADJUST));
  EXPECT_EQ(r.left, 7);
  EXPECT_EQ(r.top, 7);
  EXPECT_EQ(r.right, 25);
  EXPECT_EQ(r.bottom, 25);
  EXPECT_EQ(c.Px(15, 15), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(c.Px(24, 15), GetSysColor(COLOR_BTNFACE)) << "no right border";

  Canvas f(30, 30, kRed);
  RECT fr{5, 5, 25, 25};
  DrawEdge(f.dc(), &fr, EDGE_SUNKEN, BF_RECT | BF_FLAT | BF_MIDDLE);
  EXPECT_EQ(f.Px(5, 10), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(f.Px(24, 10), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(f.Px(15, 15), GetSysColor(COLOR_WINDOW));
  Canvas m(30, 30, kRed);
  RECT mr{5, 5, 25, 25};
  DrawEdge(m.dc(), &mr, BDR_SUNKENOUTER, BF_RECT | BF_MONO);
  EXPECT_EQ(m.Px(5, 10), GetSysColor(COLOR_WINDOWFRAME));
  EXPECT_EQ(m.Px(24, 10), GetSysColor(COLOR_WINDOWFRAME));
  EXPECT_EQ(m.Px(6, 10), kRed) << "one border only";
}

TEST(FrameControls, CheckBoxesShowTheirState) {
  auto tickInk = [](UINT state) {
    Canvas c(20, 20, kRed);
    RECT r{2, 2, 15, 15};
    EXPECT_TRUE(DrawFrameControl(c.dc(), &r, DFC_BUTTON, state));
    EXPECT_EQ(c.Ink(kRed), QRect(QPoint(2, 2), QPoint(14, 14)));
    const int n = probe::Count(c.image(), probe::IsBgr(GetSysColor(COLOR_WINDOWTEXT)), QRect(5, 5, 7, 7));
    return std::make_pair(n, c.Px(8, 4));
  };
  const auto off = tickInk(DFCS_BUTTONCHECK), on = tickInk(DFCS_BUTTONCHECK | DFCS_CHECKED),
             flatOn = tickInk(DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_FLAT),
             inactive = tickInk(DFCS_BUTTONCHECK | DFCS_INACTIVE);
  EXPECT_EQ(off.first, 0);
  EXPECT_GT(on.first, 8);
  EXPECT_GT(flatOn.first, 8);
  EXPECT_EQ(off.second, GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(inactive.second, GetSysColor(COLOR_BTNFACE));
}

TEST(FrameControls, RadioPushScrollAndCaption) {
  Canvas radio(20, 20, kRed);
  RECT r{2, 2, 14, 14};
  DrawFrameControl(radio.dc(), &r, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
  EXPECT_EQ(radio.Px(7, 7), GetSysColor(COLOR_WINDOWTEXT)) << "the dot";
  EXPECT_EQ(radio.Px(2, 2), kRed) << "round: the corner stays";
  Canvas empty(20, 20, kRed);
  DrawFrameControl(empty.dc(), &r, DFC_BUTTON, DFCS_BUTTONRADIO);
  EXPECT_EQ(empty.Px(7, 7), GetSysColor(COLOR_WINDOW));

  for (UINT pushed : {0u, DFCS_PUSHED}) {
    Canvas c(30, 20, kRed);
    RECT b{0, 0, 30, 20};
    DrawFrameControl(c.dc(), &b, DFC_BUTTON, DFCS_BUTTONPUSH | pushed | DFCS_ADJUSTRECT);
    EXPECT_EQ(c.Px(15, 10), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(c.Px(29, 10), pushed ? GetSysColor(COLOR_BTNHIGHLIGHT) : GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(b.left, 2) << "the edge is taken off";
    EXPECT_EQ(b.right, 28);
  }

  // Arrows point where they say: more arrow ink on the base side.
  auto arrowBalance = [](UINT kind) {
    Canvas c(17, 17, kRed);
    RECT b{0, 0, 17, 17};
    DrawFrameControl(c.dc(), &b, DFC_SCROLL, kind);
    int top = 0, bottom = 0, left = 0, right = 0;
    for (int y = 2; y < 15; ++y)
      for (int x = 2; x < 15; ++x) {
        if (c.Px(x, y) != GetSysColor(COLOR_BTNTEXT)) continue;
        (y < 8 ? top : bottom) += (y == 8) ? 0 : 1;
        (x < 8 ? left : right) += (x == 8) ? 0 : 1;
      }
    return std::make_tuple(top, bottom, left, right);
  };
  {
    auto [t, b, l, rr] = arrowBalance(DFCS_SCROLLDOWN);
    EXPECT_GT(t, b) << "down: wide at the top";
    (void)l, (void)rr;
  }
  {
    auto [t, b, l, rr] = arrowBalance(DFCS_SCROLLUP);
    EXPECT_LT(t, b);
    (void)l, (void)rr;
  }
  {
    auto [t, b, l, rr] = arrowBalance(DFCS_SCROLLRIGHT);
    EXPECT_GT(l, rr);
    (void)t, (void)b;
  }
  {
    auto [t, b, l, rr] = arrowBalance(DFCS_SCROLLCOMBOBOX);
    EXPECT_GT(t, b) << "the combo box button points down";
    (void)l, (void)rr;
  }

  Canvas cap(20, 20, kRed);
  RECT b{0, 0, 18, 16};
  ASSERT_TRUE(DrawFrameControl(cap.dc(), &b, DFC_CAPTION, DFCS_CAPTIONCLOSE));
  EXPECT_GT(cap.Count(GetSysColor(COLOR_BTNTEXT)), 10) << "the cross";
  EXPECT_FALSE(DrawFrameControl(cap.dc(), &b, 9, 0));
}

TEST(FocusRect, DottedFrameThatASecondCallRemoves) {
  Canvas c(30, 30);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) c.image().setPixel(x, y, qRgb(x * 8, y * 8, 77));
  const QImage before = c.image().copy();
  RECT r{5, 5, 20, 15};
  ASSERT_TRUE(DrawFocusRect(c.dc(), &r));
  int changed = 0;
  for (int x = 5; x < 20; ++x) changed += c.image().pixel(x, 5) != before.pixel(x, 5);
  EXPECT_GE(changed, 7);
  EXPECT_LE(changed, 8) << "every other pixel";
  EXPECT_EQ(c.image().pixel(10, 10), before.pixel(10, 10)) << "inside stays";
  EXPECT_EQ(c.image().pixel(20, 5), before.pixel(20, 5)) << "right edge left out";
  ASSERT_TRUE(DrawFocusRect(c.dc(), &r));
  EXPECT_EQ(c.image(), before);
}
