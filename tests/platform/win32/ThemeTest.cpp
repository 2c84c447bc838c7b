// The theme functions over QStyle.

#include <gtest/gtest.h>

#include "platform/win32/Theme.h"
#include "tests/platform/win32/GdiTestSupport.h"

using namespace gditest;

TEST(Theme, OpensKnownClassesOnly) {
  ASSERT_TRUE(IsThemeActive());
  EXPECT_TRUE(IsAppThemed());
  for (const char16_t* cls : {u"BUTTON", u"Header", u"treeview", u"COMBOBOX", u"SCROLLBAR", u"PROGRESS", u"EDIT",
                              u"TOOLTIP", u"SPIN", u"Nothing;Button"}) {
    HTHEME t = OpenThemeData(nullptr, cls);
    EXPECT_NE(t, nullptr);
    EXPECT_EQ(CloseThemeData(t), S_OK);
    EXPECT_EQ(CloseThemeData(t), E_HANDLE) << "closed once";
  }
  EXPECT_EQ(OpenThemeData(nullptr, u"NOSUCHCLASS"), nullptr);
  EXPECT_EQ(OpenThemeData(nullptr, nullptr), nullptr);
  SetThemeActive(FALSE);
  EXPECT_FALSE(IsThemeActive());
  EXPECT_EQ(OpenThemeData(nullptr, u"BUTTON"), nullptr);
  SetThemeActive(TRUE);
  SetThemeAppProperties(STAP_ALLOW_NONCLIENT);
  EXPECT_FALSE(IsAppThemed());
  EXPECT_EQ(OpenThemeData(nullptr, u"BUTTON"), nullptr);
  SetThemeAppProperties(STAP_ALLOW_NONCLIENT | STAP_ALLOW_CONTROLS | STAP_ALLOW_WEBCONTENT);
}

TEST(Theme, DrawsPartsInsideTheRectangleAndClip) {
  struct Case {
    const char16_t* cls;
    int part, state;
  } cases[] = {
      {u"BUTTON", BP_PUSHBUTTON, PBS_NORMAL},     {u"BUTTON", BP_CHECKBOX, CBS_CHECKEDNORMAL},
      {u"BUTTON", BP_RADIOBUTTON, RBS_UNCHECKEDNORMAL}, {u"HEADER", HP_HEADERITEM, HIS_HOT},
      {u"TREEVIEW", TVP_GLYPH, GLPS_CLOSED},      {u"COMBOBOX", CP_DROPDOWNBUTTON, CBXS_PRESSED},
      {u"SCROLLBAR", SBP_ARROWBTN, ABS_DOWNNORMAL}, {u"PROGRESS", PP_BAR, 1},
      {u"PROGRESS", PP_CHUNK, 1},                 {u"EDIT", EP_EDITTEXT, ETS_NORMAL},
      {u"TOOLTIP", TTP_STANDARD, TTSS_NORMAL},    {u"SPIN", SPNP_UP, UPS_NORMAL},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << k.part << "/" << k.state);
    Canvas c(60, 40, kRed);
    HTHEME t = OpenThemeData(nullptr, k.cls);
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(IsThemePartDefined(t, k.part, k.state));
    RECT r{10, 10, 40, 30};
    ASSERT_EQ(DrawThemeBackground(t, c.dc(), k.part, k.state, &r, nullptr), S_OK);
    const QRect ink = c.Ink(kRed);
    EXPECT_FALSE(ink.isEmpty()) << "something is drawn";
    EXPECT_TRUE(QRect(10, 10, 30, 20).contains(ink)) << "and only in the rectangle";
    // A clip rectangle limits it further.
    Canvas d(60, 40, kRed);
    RECT clip{10, 10, 20, 30};
    DrawThemeBackground(t, d.dc(), k.part, k.state, &r, &clip);
    const QRect clipped = d.Ink(kRed);
    EXPECT_TRUE(clipped.isEmpty() || QRect(10, 10, 10, 20).contains(clipped));
    CloseThemeData(t);
  }
}

TEST(Theme, StatesLookDifferent) {
  HTHEME t = OpenThemeData(nullptr, u"BUTTON");
  auto draw = [&](int part, int state) {
    auto c = std::make_unique<Canvas>(20, 20);
    RECT r{2, 2, 17, 17};
    DrawThemeBackground(t, c->dc(), part, state, &r, nullptr);
    return c->image().copy();
  };
  EXPECT_NE(draw(BP_CHECKBOX, CBS_UNCHECKEDNORMAL), draw(BP_CHECKBOX, CBS_CHECKEDNORMAL));
  EXPECT_NE(draw(BP_RADIOBUTTON, RBS_UNCHECKEDNORMAL), draw(BP_RADIOBUTTON, RBS_CHECKEDNORMAL));
  EXPECT_NE(draw(BP_CHECKBOX, CBS_CHECKEDNORMAL), draw(BP_CHECKBOX, CBS_CHECKEDDISABLED));
  CloseThemeData(t);
  HTHEME tree = OpenThemeData(nullptr, u"TREEVIEW");
  Canvas a(20, 20), b(20, 20);
  RECT r{2, 2, 17, 17};
  DrawThemeBackground(tree, a.dc(), TVP_GLYPH, GLPS_CLOSED, &r, nullptr);
  DrawThemeBackground(tree, b.dc(), TVP_GLYPH, GLPS_OPENED, &r, nullptr);
  EXPECT_NE(a.image(), b.image());
  CloseThemeData(tree);
}

TEST(Theme, PartSizesAndErrors) {
  HTHEME t = OpenThemeData(nullptr, u"BUTTON");
  Canvas c;
  SIZE s{};
  ASSERT_EQ(GetThemePartSize(t, c.dc(), BP_CHECKBOX, CBS_UNCHECKEDNORMAL, nullptr, TS_TRUE, &s), S_OK);
  EXPECT_GT(s.cx, 8);
  EXPECT_LT(s.cx, 30);
  EXPECT_EQ(s.cx, s.cy);
  HTHEME big = OpenThemeDataForDpi(nullptr, u"BUTTON", 192);
  SIZE s2{};
  GetThemePartSize(big, nullptr, BP_CHECKBOX, CBS_UNCHECKEDNORMAL, nullptr, TS_TRUE, &s2);
  EXPECT_EQ(s2.cx, 2 * s.cx) << "scaled for the DPI";
  CloseThemeData(big);
  RECT r{0, 0, 10, 10};
  EXPECT_EQ(DrawThemeBackground(t, c.dc(), 99, 1, &r, nullptr), E_INVALIDARG);
  EXPECT_EQ(DrawThemeBackground(t, c.dc(), BP_PUSHBUTTON, 1, nullptr, nullptr), E_POINTER);
  EXPECT_EQ(DrawThemeBackground(t, nullptr, BP_PUSHBUTTON, 1, &r, nullptr), E_HANDLE);
  EXPECT_EQ(GetThemePartSize(t, nullptr, BP_CHECKBOX, 1, nullptr, TS_TRUE, nullptr), E_POINTER);
  CloseThemeData(t);
  EXPECT_EQ(DrawThemeBackground(t, c.dc(), BP_PUSHBUTTON, 1, &r, nullptr), E_HANDLE) << "a closed theme";
}

TEST(Theme, PartsFarLargerThanTheSurfaceDrawTheirVisiblePiece) {
  // The style may paint a part through a pixmap of its whole size; a part
  // of 40,000 pixels square on a small surface must not ask for that.
  for (const int part : {BP_PUSHBUTTON, BP_CHECKBOX}) {
    SCOPED_TRACE(part);
    Canvas c(64, 48, kRed);
    HTHEME t = OpenThemeData(nullptr, u"BUTTON");
    ASSERT_NE(t, nullptr);
    RECT huge{-20000, 10, 20000, 40010};
    ASSERT_EQ(DrawThemeBackground(t, c.dc(), part, 1, &huge, nullptr), S_OK);
    CloseThemeData(t);
    // Something is drawn, below the part's top edge only.
    const QRect ink = c.Ink(kRed);
    EXPECT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.top(), 10);
  }
}
