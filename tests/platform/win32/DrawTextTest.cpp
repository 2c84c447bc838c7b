// DrawText and DrawTextEx: layout relations, not font metrics.

#include <gtest/gtest.h>

#include <string>

#include "tests/platform/win32/GdiTestSupport.h"

using namespace gditest;

namespace {

const std::u16string kSentence = u"The quick brown fox jumps over the lazy dog";

class DrawTextTest : public testing::Test {
 protected:
  DrawTextTest() : canvas_(300, 200), font_(TestFont(-13)), sel_(canvas_.dc(), font_) {
    GetTextMetrics(canvas_.dc(), &tm_);
  }
  HDC dc() { return canvas_.dc(); }
  int LineHeight() const { return tm_.tmHeight; }
  int Width(const std::u16string& s) {
    SIZE sz{};
    GetTextExtentPoint32(dc(), s.c_str(), int(s.size()), &sz);
    return sz.cx;
  }
  // The rectangle DT_CALCRECT gives for a text laid out in width w.
  RECT Calc(const std::u16string& s, int w, UINT format, int* height = nullptr) {
    RECT r{10, 20, 10 + w, 20};
    const int h = DrawText(dc(), s.c_str(), int(s.size()), &r, format | DT_CALCRECT);
    if (height) *height = h;
    return r;
  }
  std::u16string Modified(const std::u16string& s, int w, UINT format) {
    std::u16string buf = s + u"\0\0\0\0";
    RECT r{0, 0, w, 40};
    DrawTextEx(dc(), buf.data(), int(s.size()), &r, format | DT_MODIFYSTRING, nullptr);
    return std::u16string(buf.c_str());
  }

  Canvas canvas_;
  Owned<HFONT> font_;
  Selected sel_;
  TEXTMETRICW tm_{};
};

}  // namespace

TEST_F(DrawTextTest, SingleLineHeightAndCalcRect) {
  int h = 0;
  const RECT r = Calc(u"Hello", 200, DT_SINGLELINE, &h);
  EXPECT_EQ(h, LineHeight());
  EXPECT_EQ(r.left, 10) << "only right and bottom change";
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.right, 10 + Width(u"Hello"));
  EXPECT_EQ(r.bottom, 20 + LineHeight());
  RECT draw{0, 0, 200, 50};
  EXPECT_EQ(DrawText(dc(), u"Hello", -1, &draw, DT_SINGLELINE), LineHeight());
  EXPECT_FALSE(canvas_.Ink().isEmpty());
  RECT empty{0, 0, 200, 50};
  EXPECT_EQ(DrawText(dc(), u"", 0, &empty, DT_CALCRECT), 0);
  EXPECT_EQ(empty.right, 0);
  EXPECT_EQ(empty.bottom, 0);
}

TEST_F(DrawTextTest, WordBreakGivesMoreLinesInNarrowerRectangles) {
  int previous = 0;
  for (int w : {600, 250, 150, 90}) {
    int h = 0;
    const RECT r = Calc(kSentence, w, DT_WORDBREAK, &h);
    EXPECT_EQ(h % LineHeight(), 0);
    EXPECT_GE(h, previous) << w;
    EXPECT_LE(r.right - r.left, w) << "no line wider than the rectangle";
    previous = h;
  }
  EXPECT_EQ(previous / LineHeight() > 2, true);
  int one = 0;
  Calc(kSentence, 600, DT_WORDBREAK, &one);
  EXPECT_EQ(one, LineHeight());
  // The lines break at blanks: the width of the widest line is that of
  // whole words.
  const RECT r = Calc(u"aaaa bbbb cccc", Width(u"aaaa bbbb") + 2, DT_WORDBREAK);
  EXPECT_EQ(r.right - r.left, Width(u"aaaa bbbb"));
  EXPECT_EQ(r.bottom - r.top, 2 * LineHeight());
}

TEST_F(DrawTextTest, LongWordsBreakOnlyInEditControlMode) {
  const std::u16string word = u"Supercalifragilisticexpialidocious";
  const int w = Width(word) / 3;
  const RECT plain = Calc(word, w, DT_WORDBREAK);
  EXPECT_EQ(plain.bottom - plain.top, LineHeight()) << "the word stays whole";
  EXPECT_EQ(plain.right - plain.left, Width(word));
  const RECT edit = Calc(word, w, DT_WORDBREAK | DT_EDITCONTROL);
  EXPECT_GE(edit.bottom - edit.top, 3 * LineHeight());
  EXPECT_LE(edit.right - edit.left, w);
}

TEST_F(DrawTextTest, LineBreaksAndSingleLine) {
  int h = 0;
  Calc(u"one\r\ntwo\nthree\rfour", 300, 0, &h);
  EXPECT_EQ(h, 4 * LineHeight());
  Calc(u"one\r\n\r\nthree", 300, 0, &h);
  EXPECT_EQ(h, 3 * LineHeight()) << "an empty line counts";
  Calc(u"one\r\ntwo", 300, DT_SINGLELINE, &h);
  EXPECT_EQ(h, LineHeight());
  const RECT r = Calc(u"one\r\ntwo", 300, DT_SINGLELINE);
  EXPECT_EQ(r.right - r.left, Width(u"onetwo")) << "line breaks take no room on a single line";
}

TEST_F(DrawTextTest, EllipsesShortenTheText) {
  const int w = Width(u"The quick brown");
  const std::u16string end = Modified(kSentence, w, DT_SINGLELINE | DT_END_ELLIPSIS);
  ASSERT_GE(end.size(), 4u);
  EXPECT_EQ(end.substr(end.size() - 3), u"...");
  EXPECT_LT(end.size(), kSentence.size());
  EXPECT_EQ(kSentence.compare(0, end.size() - 3, end, 0, end.size() - 3), 0) << "the start is kept";
  EXPECT_LE(Width(end), w);
  EXPECT_EQ(Modified(u"short", 200, DT_SINGLELINE | DT_END_ELLIPSIS), u"short") << "text that fits is kept";

  const std::u16string path = u"C:\\Program Files\\Vendor\\Product\\settings.ini";
  const int pw = Width(u"C:\\Progr...\\settings.ini");
  const std::u16string p = Modified(path, pw, DT_SINGLELINE | DT_PATH_ELLIPSIS);
  EXPECT_NE(p.find(u"..."), std::u16string::npos);
  EXPECT_EQ(p.substr(p.size() - 13), u"\\settings.ini") << "the last part of the path survives";
  EXPECT_EQ(p.substr(0, 3), u"C:\\");
  EXPECT_LE(Width(p), pw);

  const std::u16string word = Modified(kSentence, w, DT_SINGLELINE | DT_WORD_ELLIPSIS);
  EXPECT_EQ(word.substr(word.size() - 3), u"...");

  // Drawing with an ellipsis stays within the rectangle.
  canvas_.Fill(kWhite);
  RECT r{0, 0, w, 30};
  DrawText(dc(), kSentence.c_str(), -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOCLIP);
  EXPECT_LE(canvas_.Ink().right(), w);
}

TEST_F(DrawTextTest, ModifyStringNeverWritesPastTheGivenLength) {
  std::u16string buf = kSentence + u"####";
  RECT r{0, 0, Width(u"The quick"), 40};
  DrawTextEx(dc(), buf.data(), int(kSentence.size()), &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING,
             nullptr);
  EXPECT_EQ(buf.substr(kSentence.size()), u"####");
  std::u16string small = u"iiiiiiii";  // eight narrow characters shortened to fewer plus "..."
  RECT tiny{0, 0, 1, 40};
  DrawTextEx(dc(), small.data(), 3, &tiny, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING, nullptr);
  EXPECT_EQ(small.substr(3), u"iiiii");
}

TEST_F(DrawTextTest, PrefixesUnderlineOrShowAmpersands) {
  auto ink = [&](const std::u16string& s, UINT format) {
    canvas_.Fill(kWhite);
    RECT r{10, 10, 200, 60};
    DrawText(dc(), s.c_str(), -1, &r, format | DT_SINGLELINE);
    return canvas_.Ink();
  };
  const QRect prefixed = ink(u"&File", 0), hidden = ink(u"&File", DT_HIDEPREFIX), plain = ink(u"File", 0);
  EXPECT_GT(prefixed.bottom(), plain.bottom()) << "the underline under F";
  EXPECT_EQ(hidden, plain) << "DT_HIDEPREFIX: no underline, no ampersand";
  const QRect shown = ink(u"&File", DT_NOPREFIX);
  EXPECT_GT(shown.width(), plain.width()) << "DT_NOPREFIX shows the ampersand";
  EXPECT_EQ(Calc(u"a&&b", 300, DT_SINGLELINE).right, Calc(u"a&b", 300, DT_SINGLELINE | DT_NOPREFIX).right);
  EXPECT_EQ(Calc(u"&a", 300, DT_SINGLELINE).right, Calc(u"a", 300, DT_SINGLELINE).right);
  const QRect only = ink(u"&File", DT_PREFIXONLY);
  EXPECT_LT(only.height(), 4) << "DT_PREFIXONLY draws the underline alone";
}

TEST_F(DrawTextTest, TabsExpandToTabStops) {
  const int avg = tm_.tmAveCharWidth;
  const RECT expanded = Calc(u"a\tb", 300, DT_SINGLELINE | DT_EXPANDTABS);
  EXPECT_EQ(expanded.right - expanded.left, 8 * avg + Width(u"b"));
  const RECT raw = Calc(u"a\tb", 300, DT_SINGLELINE);
  EXPECT_LT(raw.right - raw.left, expanded.right - expanded.left);
  // DT_TABSTOP takes the bits of DT_CALCRECT and others for the tab length:
  // measure by drawing.
  auto inkRight = [&](UINT format) {
    canvas_.Fill(kWhite);
    RECT r{0, 0, 300, 40};
    DrawText(dc(), u"a\tb", -1, &r, format);
    return canvas_.Ink().right();
  };
  const int eight = inkRight(DT_SINGLELINE | DT_EXPANDTABS);
  const int two = inkRight(DT_SINGLELINE | DT_EXPANDTABS | DT_TABSTOP | (2 << 8));
  EXPECT_EQ(eight - two, 6 * avg);
  std::u16string s = u"a\tb";
  DRAWTEXTPARAMS p{sizeof(DRAWTEXTPARAMS), 4, 0, 0, 0};
  RECT r{0, 0, 300, 0};
  DrawTextEx(dc(), s.data(), -1, &r, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT, &p);
  EXPECT_EQ(r.right, 4 * avg + Width(u"b"));
}

TEST_F(DrawTextTest, HorizontalAlignmentByInkPosition) {
  struct Case {
    UINT format;
  } cases[] = {{DT_LEFT}, {DT_CENTER}, {DT_RIGHT}};
  for (const Case& k : cases) {
    canvas_.Fill(kWhite);
    RECT r{20, 10, 280, 60};
    DrawText(dc(), u"Mid", -1, &r, k.format | DT_SINGLELINE);
    const QRect ink = canvas_.Ink();
    if (k.format == DT_LEFT) {
      EXPECT_NEAR(ink.left(), 20, 2);
    } else if (k.format == DT_CENTER) {
      EXPECT_NEAR(ink.center().x(), 150, 2);
    } else {
      EXPECT_NEAR(ink.right(), 279, 2);
    }
  }
  // Each wrapped line is centred on its own.
  canvas_.Fill(kWhite);
  RECT r{0, 0, 300, 200};
  DrawText(dc(), u"a\r\nmuch longer line", -1, &r, DT_CENTER);
  const QRect first = probe::Box(canvas_.image(), probe::NotBgr(kWhite), QRect(0, 0, 300, LineHeight()));
  EXPECT_NEAR(first.center().x(), 150, 3);
}

TEST_F(DrawTextTest, VerticalAlignmentOnlyForSingleLines) {
  struct Case {
    UINT format;
    int expectCentreY;
  } cases[] = {{DT_SINGLELINE | DT_VCENTER, 100}, {DT_SINGLELINE | DT_BOTTOM, 190}, {DT_VCENTER, -1}};
  for (const Case& k : cases) {
    canvas_.Fill(kWhite);
    RECT r{0, 0, 300, 200};
    const int h = DrawText(dc(), u"Hxy", -1, &r, k.format);
    const QRect ink = canvas_.Ink();
    if (k.format == (DT_SINGLELINE | DT_VCENTER)) {
      EXPECT_NEAR(ink.center().y(), 100, LineHeight() / 2);
      EXPECT_EQ(h, (200 - LineHeight()) / 2 + LineHeight()) << "offset from the top to the text's bottom";
    } else if (k.format == (DT_SINGLELINE | DT_BOTTOM)) {
      EXPECT_GE(ink.bottom(), 200 - tm_.tmDescent - 1);
      EXPECT_LE(ink.bottom(), 199);
      EXPECT_EQ(h, 200);
    } else {
      EXPECT_LT(ink.top(), LineHeight()) << "multi-line text stays at the top";
    }
  }
}

TEST_F(DrawTextTest, ClippingMarginsAndLengthDrawn) {
  RECT r{0, 0, 30, 100};
  DrawText(dc(), kSentence.c_str(), -1, &r, DT_SINGLELINE);
  EXPECT_LE(canvas_.Ink().right(), 29);
  canvas_.Fill(kWhite);
  DrawText(dc(), kSentence.c_str(), -1, &r, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_GT(canvas_.Ink().right(), 100);

  std::u16string s = u"Margin";
  DRAWTEXTPARAMS p{sizeof(DRAWTEXTPARAMS), 0, 15, 7, 0};
  canvas_.Fill(kWhite);
  RECT m{10, 0, 200, 40};
  DrawTextEx(dc(), s.data(), -1, &m, DT_SINGLELINE, &p);
  EXPECT_NEAR(canvas_.Ink().left(), 25, 2);
  EXPECT_EQ(p.uiLengthDrawn, 6u);
  RECT calc{10, 0, 200, 0};
  DrawTextEx(dc(), s.data(), -1, &calc, DT_SINGLELINE | DT_CALCRECT, &p);
  EXPECT_EQ(calc.right, 10 + 15 + Width(u"Margin") + 7);
  canvas_.Fill(kWhite);
  RECT right{10, 0, 200, 40};
  DrawTextEx(dc(), s.data(), -1, &right, DT_SINGLELINE | DT_RIGHT, &p);
  EXPECT_NEAR(canvas_.Ink().right(), 200 - 7 - 1, 2);

  // Characters processed stop at the first line below the rectangle.
  std::u16string many = u"one\ntwo\nthree\nfour";
  RECT shortRect{0, 0, 200, 2 * LineHeight()};
  DRAWTEXTPARAMS q{sizeof(DRAWTEXTPARAMS), 0, 0, 0, 0};
  DrawTextEx(dc(), many.data(), -1, &shortRect, 0, &q);
  EXPECT_EQ(q.uiLengthDrawn, 8u) << "up to the start of \"three\"";
  DrawTextEx(dc(), many.data(), -1, &shortRect, DT_NOCLIP, &q);
  EXPECT_EQ(q.uiLengthDrawn, many.size());
}

TEST_F(DrawTextTest, EditControlHidesAPartlyVisibleLastLine) {
  RECT r{0, 0, 300, LineHeight() + LineHeight() / 2};
  DrawText(dc(), u"first\nsecond", -1, &r, DT_EDITCONTROL | DT_WORDBREAK);
  EXPECT_LT(canvas_.Ink().bottom(), LineHeight());
  canvas_.Fill(kWhite);
  DrawText(dc(), u"first\nsecond", -1, &r, DT_WORDBREAK);
  EXPECT_GE(canvas_.Ink().bottom(), LineHeight()) << "without it the second line shows in part";
  // With an end ellipsis the last visible line says that more follows.
  std::u16string buf = kSentence + u"\0\0\0\0";
  RECT one{0, 0, Width(u"The quick brown fox"), LineHeight()};
  DrawTextEx(dc(), buf.data(), int(kSentence.size()), &one,
             DT_EDITCONTROL | DT_WORDBREAK | DT_END_ELLIPSIS | DT_MODIFYSTRING, nullptr);
  const std::u16string shown(buf.c_str());
  EXPECT_EQ(shown.substr(shown.size() - 3), u"...");
  EXPECT_LT(shown.size(), kSentence.size());
}

TEST_F(DrawTextTest, RightToLeftReadingDrawsInTheRectangle) {
  RECT r{20, 10, 280, 60};
  DrawText(dc(), u"\u05E9\u05DC\u05D5\u05DD abc", -1, &r, DT_SINGLELINE | DT_RTLREADING | DT_RIGHT);
  const QRect ink = canvas_.Ink();
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_NEAR(ink.right(), 279, 3);
}

TEST_F(DrawTextTest, BadArgumentsFail) {
  RECT r{0, 0, 10, 10};
  EXPECT_EQ(DrawText(dc(), nullptr, 3, &r, 0), 0);
  EXPECT_EQ(DrawText(dc(), u"x", 1, nullptr, 0), 0);
  std::u16string s = u"x";
  DRAWTEXTPARAMS bad{3, 0, 0, 0, 0};
  EXPECT_EQ(DrawTextEx(dc(), s.data(), 1, &r, 0, &bad), 0);
  EXPECT_EQ(DrawText(reinterpret_cast<HDC>(GetStockObject(BLACK_PEN)), u"x", 1, &r, 0), 0);
}
