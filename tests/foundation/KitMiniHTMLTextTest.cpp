// Plain string routines over mini-HTML text.

#include <gtest/gtest.h>

#include "foundation/KitMiniHTMLText.h"
#include "tests/support/TestSupport.h"

namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

TEST(KitMiniHTMLTextTest, PlainText) {
  struct C {
    const char* In;
    const char* ToText;
    const char* RemoveTags;
  } cases[] = {
      {"a<br>b", "a\r\nb", "ab"},
      {"x<b>y</b>", "xy", "xy"},
      {"1 < 2", "1 < 2", "1 < 2"},
      {"a > b <i>c</i>", "a > b c", "a > b <i>c</i>"},
      {"a<HR>b<Br>c", "a\r\nb\r\nc", "abc"},
      {"a<b>c<d", "ac<d", "ac<d"},
      {"", "", ""},
      {"<", "<", "<"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.In);
    EXPECT_EQ(MiniHtmlToText(U(c.In)), U(c.ToText));
    EXPECT_EQ(RemoveHtmlTags(U(c.In)), U(c.RemoveTags));
  }
}

TEST(KitMiniHTMLTextTest, EscapeAndUnescape) {
  struct C {
    const char* In;
    bool Names;
    const char* Out;
  } escapes[] = {
      {"a<b", false, "a&lt;b"},
      {"\"&\"<>", false, "&quot;&amp;&quot;&lt;&gt;"},
      {"é x", false, "é x"},
      {"é x", true, "&eacute;&nbsp;x"},
      {"\u0100\u0101", true, "\u0100&#257;"},
      {"€'$", true, "&euro;&#39;&dollar;"},
      // A literal "*amp;" is ordinary text and stays what it is.
      {"*amp;", true, "*amp;"},
  };
  for (const auto& c : escapes) {
    SCOPED_TRACE(c.In);
    EXPECT_EQ(EscapeHtmlText(U(c.In), c.Names), U(c.Out));
    // Numeric references are not read back.
    if (!QString::fromUtf8(c.Out).contains(u"&#2")) {
      EXPECT_EQ(UnescapeHtmlText(EscapeHtmlText(U(c.In), c.Names), c.Names), U(c.In));
    }
  }
  struct D {
    const char* In;
    bool Names;
    const char* Out;
  } unescapes[] = {
      {"&amp;lt;", false, "<"},
      {"&QUOT;", true, "&QUOT;"},
      {"&amp;amp;amp;", false, "&"},
      {"&quot;x&quot;", false, "\"x\""},
      {"&eacute;", false, "&eacute;"},
      {"&eacute;&nbsp;&ETH;", true, "é Ð"},
      {"&eacute", true, "&eacute"},
      {"&", true, "&"},
  };
  for (const auto& c : unescapes) {
    SCOPED_TRACE(c.In);
    EXPECT_EQ(UnescapeHtmlText(U(c.In), c.Names), U(c.Out));
  }
  EXPECT_EQ(SpacesToNbsp(U("a b  c")), U("a&nbsp;b&nbsp;&nbsp;c"));
  EXPECT_TRUE(HasHtmlControl(U("x<control type=\"EDIT\">")));
  EXPECT_FALSE(HasHtmlControl(U("control")));
}

TEST(KitMiniHTMLTextTest, MarkAndUnmark) {
  struct C {
    const char* Text;
    const char* Search;
    TMarkTextOptions Options;
    const char* Out;
  } cases[] = {
      {"abc abc", "b", {}, "a<HI>b</HI>c a<HI>b</HI>c"},
      {"<b>abc</b>", "bc", {}, "<b>a<HI>bc</HI></b>"},
      {"abc", "ABC", {mtoWholeText}, "<HI>abc</HI>"},
      {"abc", "ab", {mtoWholeText}, "abc"},
      {"abc", "B", {mtoCaseSensitive}, "abc"},
      {"aBc", "B", {mtoCaseSensitive}, "a<HI>B</HI>c"},
      {"a<b", "b", {}, "a&lt;<HI>b</HI>"},
      {"xyz", "q", {}, "xyz"},
      {"abc", "", {}, "abc"},
      // Existing marks are taken out first.
      {"a<hi>b</hi>c", "c", {}, "ab<HI>c</HI>"},
      // Entities count as one character, tags as none.
      {"<i>&amp;x</i>", "x", {}, "<i>&amp;<HI>x</HI></i>"},
      // The mark is reopened after a closing FONT tag inside the occurrence.
      {"<font color=\"red\">ab</font>cd", "bc", {}, "<font color=\"red\">a<HI>b</font></HI><HI>c</HI>d"},
      {"<b>ab</b> ab", "ab", {}, "<b><HI>ab</HI></b> <HI>ab</HI>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    const QString tag = QStringLiteral("hi");
    EXPECT_EQ(MarkTextInHtml(U(c.Text), U(c.Search), tag, c.Options), U(c.Out));
  }
  EXPECT_EQ(UnmarkTextInHtml(U("a<HI>b</HI>"), U("hi")), U("ab"));
  EXPECT_EQ(UnmarkTextInHtml(U("a&lt;<hi>b</HI>"), U("HI")), U("a<b"));
  EXPECT_EQ(UnmarkTextInHtml(U("<b>a&lt;<hi>b</hi></b>"), U("hi")), U("<b>a&lt;b</b>"));
  // Round trip of a mark in plain text.
  EXPECT_EQ(UnmarkTextInHtml(MarkTextInHtml(U("1 < 2 and 2 > 1"), U("2"), U("e")), U("e")), U("1 < 2 and 2 > 1"));
}

TEST(KitMiniHTMLTextTest, FormControls) {
  const QString text = U(
      "<CONTROL TYPE=\"BUTTON\" ID=\"b1\" VALUE=\"Go\" WIDTH=\"40\">"
      "<control type=\"edit\" id=\"e1\" value=\"x&amp;y\" width=\"50\" height=\"30\" prop=\"p\" maxlen=\"12\" "
      "other=\"1\">"
      "<CONTROL TYPE=\"RADIO\" ID=\"r1\" VALUE=\"TRUE\" WIDTH=\"20\">"
      "<CONTROL TYPE=\"COMBO\" ID=\"c1\" VALUE=\"a\" WIDTH=\"60\"> tail");
  EXPECT_EQ(NextHtmlControlID(text, U("")), U("e1"));
  EXPECT_EQ(NextHtmlControlID(text, U("e1")), U("c1"));
  EXPECT_EQ(NextHtmlControlID(text, U("c1")), U(""));
  EXPECT_EQ(NextHtmlControlID(text, U("nope")), U(""));

  QString v;
  EXPECT_TRUE(GetHtmlControlValue(text, U("e1"), v));
  EXPECT_EQ(v, U("x&y"));
  EXPECT_FALSE(GetHtmlControlValue(text, U("zz"), v));
  EXPECT_EQ(GetHtmlControlProp(text, U("e1")), U("p"));
  EXPECT_EQ(GetHtmlControlProp(text, U("zz")), U(""));
  EXPECT_EQ(GetHtmlControlMaxLen(text, U("e1")), 12);
  EXPECT_EQ(GetHtmlControlMaxLen(text, U("b1")), 0);
  EXPECT_EQ(GetHtmlControlMaxLen(text, U("zz")), 0);

  QString t = text;
  EXPECT_TRUE(SetHtmlControlValue(t, U("e1"), U("x&y")));
  EXPECT_TRUE(t.contains(U("<CONTROL ID=\"e1\" VALUE=\"x&amp;y\" WIDTH=\"50\" TYPE=\"EDIT\" HEIGHT=\"30\" "
                           "PROP=\"p\" MAXLEN=\"12\"><CONTROL TYPE=\"RADIO\"")))
      << qPrintable(t);
  EXPECT_FALSE(t.contains(U("other")));
  EXPECT_TRUE(GetHtmlControlValue(t, U("e1"), v));
  EXPECT_EQ(v, U("x&y"));
  QString unchanged = text;
  EXPECT_FALSE(SetHtmlControlValue(unchanged, U("zz"), U("1")));
  EXPECT_EQ(unchanged, text);

  const QString cleared = ClearHtmlRadioControls(text);
  EXPECT_TRUE(GetHtmlControlValue(cleared, U("r1"), v));
  EXPECT_EQ(v, U("FALSE"));
  EXPECT_TRUE(cleared.endsWith(U("> tail")));
}

}  // namespace
