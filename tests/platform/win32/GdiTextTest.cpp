// Fonts, metrics, extents and text output.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/platform/win32/GdiTestSupport.h"

using namespace gditest;

namespace {
TEXTMETRICW Metrics(HDC dc) {
  TEXTMETRICW tm{};
  EXPECT_TRUE(GetTextMetrics(dc, &tm));
  return tm;
}
std::u16string Face(HDC dc) {
  WCHAR buf[64] = {};
  GetTextFace(dc, 64, buf);
  return buf;
}
int Width(HDC dc, const std::u16string& s) {
  SIZE sz{};
  EXPECT_TRUE(GetTextExtentPoint32(dc, s.c_str(), int(s.size()), &sz));
  return sz.cx;
}
}  // namespace

TEST(GdiFonts, NegativeHeightIsTheCharacterHeightPositiveTheCell) {
  Canvas c;
  for (int h : {8, 11, 13, 20, 40}) {
    Owned<HFONT> f(TestFont(-h));
    Selected s(c.dc(), f);
    const TEXTMETRICW tm = Metrics(c.dc());
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, h) << h;
    EXPECT_GE(tm.tmInternalLeading, 0);
    EXPECT_GT(tm.tmAveCharWidth, 0);
    EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
  }
  for (int h : {12, 16, 30}) {
    Owned<HFONT> f(TestFont(h));
    Selected s(c.dc(), f);
    const TEXTMETRICW tm = Metrics(c.dc());
    EXPECT_LE(tm.tmHeight, h) << h;
    EXPECT_GE(tm.tmHeight, h - 2) << h;
  }
}

TEST(GdiFonts, FaceNamesMapToInstalledFamilies) {
  struct Case {
    const char16_t* face;
    const char16_t* family;
  } cases[] = {
      {u"Arial", u"Liberation Sans"},        {u"Times New Roman", u"Liberation Serif"},
      {u"Courier New", u"Liberation Mono"},  {u"Tahoma", u"DejaVu Sans"},
      {u"MS Sans Serif", u"DejaVu Sans"},    {u"Segoe UI", u"DejaVu Sans"},
      {u"segoe ui", u"DejaVu Sans"},
  };
  Canvas c;
  for (const Case& k : cases) {
    Owned<HFONT> f(TestFont(-12, FW_NORMAL, k.face));
    Selected s(c.dc(), f);
    EXPECT_EQ(Face(c.dc()), std::u16string(k.family));
  }
  Owned<HFONT> mono(TestFont(-12, FW_NORMAL, u"Courier New"));
  Selected s(c.dc(), mono);
  EXPECT_EQ(Width(c.dc(), u"iiii"), Width(c.dc(), u"WWWW"));
  EXPECT_EQ(Metrics(c.dc()).tmPitchAndFamily & TMPF_FIXED_PITCH, 0) << "a clear bit means fixed pitch";
}

TEST(GdiFonts, WeightItalicAndWidth) {
  Canvas c;
  Owned<HFONT> normal(TestFont(-14)), bold(TestFont(-14, FW_BOLD));
  int wn, wb;
  {
    Selected s(c.dc(), normal);
    wn = Width(c.dc(), u"Hello world");
    EXPECT_EQ(Metrics(c.dc()).tmWeight, FW_NORMAL);
  }
  {
    Selected s(c.dc(), bold);
    wb = Width(c.dc(), u"Hello world");
    EXPECT_EQ(Metrics(c.dc()).tmWeight, FW_BOLD);
  }
  EXPECT_GT(wb, wn);
  LOGFONTW lf{};
  lf.lfHeight = -14;
  lf.lfItalic = 1;
  lf.lfWidth = 3;
  Owned<HFONT> narrow(CreateFontIndirect(&lf));
  Selected s(c.dc(), narrow);
  EXPECT_EQ(Metrics(c.dc()).tmItalic, 1);
  EXPECT_LT(Width(c.dc(), u"Hello world"), wn) << "a small average width condenses the font";
}

TEST(GdiText, ExtentsGrowWithTheText) {
  Canvas c;
  Owned<HFONT> f(TestFont(-13));
  Selected s(c.dc(), f);
  SIZE empty{};
  GetTextExtentPoint32(c.dc(), u"", 0, &empty);
  EXPECT_EQ(empty.cx, 0);
  EXPECT_EQ(empty.cy, Metrics(c.dc()).tmHeight);
  EXPECT_LT(Width(c.dc(), u"abc"), Width(c.dc(), u"abcdef"));
  const int extra = 3;
  const int before = Width(c.dc(), u"abcd");
  SetTextCharacterExtra(c.dc(), extra);
  EXPECT_EQ(Width(c.dc(), u"abcd"), before + 4 * extra);
  SetTextCharacterExtra(c.dc(), 0);

  const std::u16string text = u"The quick brown fox";
  std::vector<int> dx(text.size());
  int fit = -1;
  SIZE sz{};
  const int max = Width(c.dc(), u"The quick");
  ASSERT_TRUE(GetTextExtentExPoint(c.dc(), text.c_str(), int(text.size()), max, &fit, dx.data(), &sz));
  EXPECT_EQ(fit, 9);
  for (int i = 1; i < fit; ++i) EXPECT_GE(dx[size_t(i)], dx[size_t(i - 1)]);
  EXPECT_LE(dx[size_t(fit - 1)], max);
  EXPECT_EQ(sz.cx, Width(c.dc(), text));
  ASSERT_TRUE(GetTextExtentExPoint(c.dc(), text.c_str(), int(text.size()), 0, nullptr, dx.data(), &sz));
  EXPECT_NEAR(dx.back(), sz.cx, 1) << "without a fit count every partial extent is given";
  EXPECT_FALSE(GetTextExtentPoint32(c.dc(), u"x", -1, &sz));
}

TEST(GdiText, TextAlignPlacesTheReferencePoint) {
  Owned<HFONT> f(TestFont(-20));
  struct Case {
    UINT align;
  } cases[] = {{TA_LEFT | TA_TOP}, {TA_CENTER | TA_TOP}, {TA_RIGHT | TA_TOP}, {TA_LEFT | TA_BASELINE}, {TA_LEFT | TA_BOTTOM}};
  for (const Case& k : cases) {
    Canvas c(200, 100);
    Selected s(c.dc(), f);
    const TEXTMETRICW tm = Metrics(c.dc());
    const int w = Width(c.dc(), u"HHH");
    SetTextAlign(c.dc(), k.align);
    ASSERT_TRUE(TextOut(c.dc(), 100, 50, u"HHH", 3));
    const QRect ink = c.Ink();
    ASSERT_FALSE(ink.isEmpty());
    switch (k.align & TA_CENTER) {
      case TA_LEFT: EXPECT_NEAR(ink.left(), 100, 3); break;
      case TA_CENTER: EXPECT_NEAR(ink.center().x(), 100, 3); break;
      case TA_RIGHT: EXPECT_NEAR(ink.right(), 99, 3); break;
    }
    EXPECT_LE(ink.width(), w + 2);
    switch (k.align & TA_BASELINE) {
      case TA_TOP: EXPECT_GE(ink.top(), 50); EXPECT_LE(ink.top(), 50 + tm.tmInternalLeading + 4); break;
      case TA_BASELINE: EXPECT_NEAR(ink.bottom(), 49, 1) << "capitals sit on the baseline"; break;
      case TA_BOTTOM: EXPECT_NEAR(ink.bottom(), 49 - tm.tmDescent, 1); break;
    }
  }
}

TEST(GdiText, BackgroundModeAndExtTextOutOptions) {
  Owned<HFONT> f(TestFont(-16));
  for (int mode : {TRANSPARENT, OPAQUE}) {
    Canvas c(100, 40);
    Selected s(c.dc(), f);
    SetBkMode(c.dc(), mode);
    SetBkColor(c.dc(), kGreen);
    TextOut(c.dc(), 10, 10, u"Ab", 2);
    const int w = Width(c.dc(), u"Ab");
    EXPECT_EQ(c.Px(10, 10) == kGreen, mode == OPAQUE) << "the cell's corner";
    EXPECT_EQ(c.Px(10 + w, 10), kWhite);
    if (mode == OPAQUE) {
      EXPECT_EQ(c.InkOf(kGreen), QRect(10, 10, w, Metrics(c.dc()).tmHeight));
    }
  }
  Canvas c(100, 40);
  Selected s(c.dc(), f);
  SetBkColor(c.dc(), kRed);
  RECT r{5, 5, 30, 20};
  ASSERT_TRUE(ExtTextOut(c.dc(), 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr));
  EXPECT_EQ(c.InkOf(kRed), QRect(QPoint(5, 5), QPoint(29, 19)));
  c.Fill(kWhite);
  SetBkMode(c.dc(), TRANSPARENT);
  RECT clip{0, 0, 12, 40};
  ExtTextOut(c.dc(), 5, 5, ETO_CLIPPED, &clip, u"WWWW", 4, nullptr);
  EXPECT_LE(c.Ink().right(), 11);
  EXPECT_FALSE(c.Ink().isEmpty());
  // Placed characters.
  c.Fill(kWhite);
  const INT dx[] = {30, 30};
  ExtTextOut(c.dc(), 0, 0, 0, nullptr, u"II", 2, dx);
  const QRect ink = c.Ink();
  EXPECT_GE(ink.width(), 30);
  EXPECT_LT(ink.width(), 40);
}

TEST(GdiText, UpdateCpAdvancesTheCurrentPosition) {
  Canvas c(200, 40);
  Owned<HFONT> f(TestFont(-14));
  Selected s(c.dc(), f);
  SetTextAlign(c.dc(), TA_UPDATECP);
  MoveToEx(c.dc(), 10, 5, nullptr);
  TextOut(c.dc(), 999, 999, u"abc", 3);
  POINT cp{};
  GetCurrentPositionEx(c.dc(), &cp);
  EXPECT_EQ(cp.x, 10 + Width(c.dc(), u"abc"));
  EXPECT_EQ(cp.y, 5);
  EXPECT_NEAR(c.Ink().left(), 10, 2);
}

TEST(GdiText, EscapementRotatesText) {
  Canvas flat(200, 200), up(200, 200), down(200, 200);
  Owned<HFONT> f0(TestFont(-16)), f90(TestFont(-16, FW_NORMAL, u"Tahoma", 900)),
      fm90(TestFont(-16, FW_NORMAL, u"Tahoma", -900));
  {
    Selected s(flat.dc(), f0);
    TextOut(flat.dc(), 100, 100, u"Rotated text", 12);
  }
  {
    Selected s(up.dc(), f90);
    TextOut(up.dc(), 100, 100, u"Rotated text", 12);
  }
  {
    Selected s(down.dc(), fm90);
    TextOut(down.dc(), 100, 100, u"Rotated text", 12);
  }
  const QRect a = flat.Ink(), b = up.Ink(), d = down.Ink();
  EXPECT_GT(a.width(), a.height());
  EXPECT_GT(b.height(), b.width()) << "900 tenths of a degree: a tall ink box";
  EXPECT_NEAR(b.height(), a.width(), 3);
  EXPECT_LE(b.bottom(), 101) << "counter-clockwise: the text runs upwards";
  EXPECT_GE(b.left(), 99);
  EXPECT_GE(d.top(), 99) << "clockwise: downwards";
  EXPECT_LE(d.right(), 101);
}

TEST(GdiText, UnderlineAndStrikeOutAddInk) {
  auto inkCount = [](BYTE underline, BYTE strike) {
    Canvas c(120, 40);
    LOGFONTW lf{};
    lf.lfHeight = -16;
    lf.lfUnderline = underline;
    lf.lfStrikeOut = strike;
    Owned<HFONT> f(CreateFontIndirect(&lf));
    Selected s(c.dc(), f);
    TextOut(c.dc(), 5, 5, u"ooo", 3);
    return std::make_pair(c.CountNot(kWhite), c.Ink());
  };
  const auto plain = inkCount(0, 0), under = inkCount(1, 0), strike = inkCount(0, 1);
  EXPECT_GT(under.first, plain.first);
  EXPECT_GT(under.second.bottom(), plain.second.bottom());
  EXPECT_GT(strike.first, plain.first);
  EXPECT_EQ(strike.second.bottom(), plain.second.bottom());
}

TEST(GdiText, FontsScaleWithTheMapping) {
  Owned<HFONT> f(TestFont(-12));
  Canvas plain(200, 100), doubled(200, 100);
  TEXTMETRICW tp{}, td{};
  {
    Selected s(plain.dc(), f);
    GetTextMetrics(plain.dc(), &tp);
    TextOut(plain.dc(), 5, 5, u"Scale", 5);
  }
  {
    SetMapMode(doubled.dc(), MM_ANISOTROPIC);
    SetWindowExtEx(doubled.dc(), 1, 1, nullptr);
    SetViewportExtEx(doubled.dc(), 2, 2, nullptr);
    Selected s(doubled.dc(), f);
    GetTextMetrics(doubled.dc(), &td);
    TextOut(doubled.dc(), 5, 5, u"Scale", 5);
  }
  EXPECT_NEAR(td.tmHeight, tp.tmHeight, 1) << "metrics stay in logical units";
  EXPECT_NEAR(doubled.Ink().height(), 2 * plain.Ink().height(), 2);
  EXPECT_NEAR(doubled.Ink().width(), 2 * plain.Ink().width(), 3);
  EXPECT_NEAR(doubled.Ink().left(), 10, 2);
  // A flipped mapping (y upwards) keeps the text upright.
  Canvas lometric(300, 300);
  SetMapMode(lometric.dc(), MM_LOMETRIC);
  SetViewportOrgEx(lometric.dc(), 0, 300, nullptr);
  Owned<HFONT> big(TestFont(-50));  // 5 mm
  Selected s(lometric.dc(), big);
  TextOut(lometric.dc(), 10, 600, u"T", 1);  // 6 cm up from the bottom
  const QRect ink = lometric.Ink();
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_NEAR(ink.top(), 300 - 227, 4);
  // The bar of the T is at the top: more ink in the first rows than the last.
  int top = 0, bottom = 0;
  for (int x = ink.left(); x <= ink.right(); ++x) {
    top += lometric.Px(x, ink.top()) != kWhite;
    bottom += lometric.Px(x, ink.bottom()) != kWhite;
  }
  EXPECT_GT(top, bottom);
}
