// The mini-HTML language core: tag recognition, attributes, colours, font
// sizes, entities, picture references and CONTROL tags.

#include <gtest/gtest.h>

#include "foundation/KitMiniHTML.h"
#include "platform/rtl/SysUtils.h"
#include "tests/support/TestSupport.h"

namespace {

struct TagCase {
  const char* Text;
  TMiniHtmlEngine Engine;
  TMiniHtmlTag Tag;
  bool Closing;
  int Length;
};

TEST(KitMiniHTMLTest, TagRecognitionByFirstLetters) {
  const TagCase cases[] = {
      {"<A HREF=\"x\">", mheCanvas, mhtA, false, 12},
      {"<b>", mheCanvas, mhtB, false, 3},
      {"<BR>", mheCanvas, mhtBR, false, 4},
      {"<br/>", mheFacade, mhtBR, false, 5},
      {"<BLINK>", mheCanvas, mhtBlink, false, 7},
      {"<BODY BGCOLOR=\"#FF0000\">", mheFacade, mhtBody, false, 24},
      {"<BIG>", mheCanvas, mhtNone, false, 5},
      {"<CONTROL TYPE=\"EDIT\">", mheCanvas, mhtControl, false, 21},
      {"<e>", mheCanvas, mhtE, false, 3},
      {"<FONT COLOR=\"red\">", mheCanvas, mhtFont, false, 18},
      {"<HI>", mheCanvas, mhtHI, false, 4},
      {"<HR>", mheCanvas, mhtHR, false, 4},
      {"<H1>", mheCanvas, mhtNone, false, 4},
      {"<I>", mheCanvas, mhtI, false, 3},
      {"<IMG SRC=\"a\">", mheCanvas, mhtImg, false, 13},
      {"<IND X=\"4\">", mheCanvas, mhtInd, false, 11},
      {"<J>", mheCanvas, mhtJ, false, 3},
      {"<J>", mheFacade, mhtNone, false, 3},
      {"<LI>", mheCanvas, mhtLI, false, 4},
      {"<OL>", mheCanvas, mhtOL, false, 4},
      {"<OL>", mheFacade, mhtNone, false, 4},
      {"<OF X=\"4\">", mheFacade, mhtOF, false, 10},
      {"<OF X=\"4\">", mheCanvas, mhtNone, false, 10},
      {"<P ALIGN=\"CENTER\">", mheCanvas, mhtP, false, 18},
      {"<R A=\"90\">", mheCanvas, mhtR, false, 10},
      {"<S>", mheCanvas, mhtS, false, 3},
      {"<STRONG>", mheCanvas, mhtStrike, false, 8},
      {"<STRONG>", mheFacade, mhtNone, false, 8},
      {"<SPAN STYLE=\"x\">", mheCanvas, mhtSpan, false, 16},
      {"<SHAD>", mheCanvas, mhtShad, false, 6},
      {"<sub>", mheCanvas, mhtSub, false, 5},
      {"<SuP>", mheFacade, mhtSup, false, 5},
      {"<SUB x>", mheCanvas, mhtNone, false, 7},
      {"<U>", mheCanvas, mhtU, false, 3},
      {"<UL>", mheCanvas, mhtUL, false, 4},
      {"<Z>", mheCanvas, mhtZ, false, 3},
      {"<x>", mheCanvas, mhtNone, false, 3},
      {"</A>", mheCanvas, mhtA, true, 4},
      {"</B>", mheCanvas, mhtB, true, 4},
      {"</BLINK>", mheCanvas, mhtBlink, true, 8},
      {"</BODY>", mheCanvas, mhtBlink, true, 7},
      {"</FONT>", mheCanvas, mhtFont, true, 7},
      {"</HI>", mheCanvas, mhtHI, true, 5},
      {"</OL>", mheCanvas, mhtOL, true, 5},
      {"</O>", mheCanvas, mhtNone, true, 4},
      {"</OF>", mheFacade, mhtOF, true, 5},
      {"</S>", mheCanvas, mhtS, true, 4},
      {"</STRIKE>", mheCanvas, mhtS, true, 9},
      {"</SPAN>", mheCanvas, mhtSpan, true, 7},
      {"</SPAN>", mheFacade, mhtS, true, 7},
      {"</SUB>", mheCanvas, mhtSub, true, 6},
      {"</SHAD>", mheCanvas, mhtShad, true, 7},
      {"</U>", mheCanvas, mhtU, true, 4},
      {"</UL>", mheCanvas, mhtUL, true, 5},
      {"</Z>", mheCanvas, mhtZ, true, 4},
      // Too short to be a closing tag: no effect, consumed.
      {"</>", mheCanvas, mhtNone, false, 3},
      // "<" and at most one more character: dropped.
      {"<", mheCanvas, mhtNone, false, 1},
      {"<b", mheCanvas, mhtNone, false, 2},
      // No ">": the tag runs to the end of the text.
      {"<B and more", mheCanvas, mhtNone, false, 11},
      {"<FONT SIZE=\"3\"", mheCanvas, mhtFont, false, 14},
  };
  for (const auto& c : cases) {
    const TMiniHtmlTagInfo info = ParseMiniHtmlTag(QString::fromUtf8(c.Text), c.Engine);
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(info.Tag, c.Tag);
    EXPECT_EQ(info.Closing, c.Closing);
    EXPECT_EQ(info.Length, c.Length);
  }
  // Only the tag is consumed, not the text after it.
  EXPECT_EQ(ParseMiniHtmlTag(QStringLiteral("<B>bold</B>"), mheCanvas).Length, 3);
  // Letters other than a to z are not folded.
  EXPECT_EQ(ParseMiniHtmlTag(QStringLiteral("<\u0131>"), mheCanvas).Tag, mhtNone);
}

TEST(KitMiniHTMLTest, AttributesBySubstring) {
  const QString a = QStringLiteral("<A href=\"Page.html\" title=\"Some Title\"");
  EXPECT_EQ(MiniHtmlAttribute(a, 2, QStringLiteral("HREF"), false), "Page.html");
  EXPECT_EQ(MiniHtmlAttribute(a, 2, QStringLiteral("TITLE"), false), "Some Title");
  EXPECT_EQ(MiniHtmlAttribute(a, 2, QStringLiteral("HREF"), true), "PAGE.HTML");
  bool found = true;
  EXPECT_EQ(MiniHtmlAttribute(a, 2, QStringLiteral("NAME"), false, &found), "");
  EXPECT_FALSE(found);
  // " COLOR" with its blank is not found inside BGCOLOR.
  const QString f = QStringLiteral("<FONT bgcolor=\"#00FF00\" color=\"red\"");
  EXPECT_EQ(MiniHtmlAttribute(f, 5, QStringLiteral(" COLOR"), true), "RED");
  EXPECT_EQ(MiniHtmlAttribute(f, 5, QStringLiteral("BGCOLOR"), true), "#00FF00");
  // The first occurrence wins, even inside another value.
  const QString g = QStringLiteral("<FONT face=\"SIZEFONT\" size=\"3\"");
  EXPECT_EQ(MiniHtmlAttribute(g, 5, QStringLiteral("SIZE"), false), " size=");
  // Unquoted value: nothing; unclosed quote: to the end of the tag.
  EXPECT_EQ(MiniHtmlAttribute(QStringLiteral("<IMG SRC=abc"), 4, QStringLiteral("SRC"), false), "");
  EXPECT_EQ(MiniHtmlAttribute(QStringLiteral("<IMG SRC=\"abc"), 4, QStringLiteral("SRC"), false), "abc");
}

TEST(KitMiniHTMLTest, ColorValues) {
  struct C {
    const char* Value;
    TMiniHtmlEngine Engine;
    TColor Expected;
  } cases[] = {
      {"#FF0000", mheCanvas, 0x0000FF},
      {"#0080ff", mheCanvas, 0xFF8000},
      // A missing or invalid digit pair counts as 0 in the canvas engine.
      {"#12", mheCanvas, 0x000012},
      {"#GG0000", mheCanvas, 0},
      {"#FFGG80", mheCanvas, 0x8000FF},
      {"red", mheCanvas, 0x0000FF},
      {"RED", mheCanvas, 0x0000FF},
      {"clRed", mheCanvas, 0x0000FF},
      {"rebeccapurple", mheCanvas, 0x993366},
      {"btnface", mheCanvas, TColor(0xFF00000F)},
      {"clHighlight", mheCanvas, TColor(0xFF00000D)},
      {"zzz", mheCanvas, 0},
      {"", mheCanvas, 0},
      {"#00FF00", mheFacade, 0x00FF00},
      {"#F0A", mheFacade, 0xAA00FF},  // the short form
      {"#FFGG80", mheFacade, 0},      // never raises: black
      {"#12", mheFacade, 0},
      {"blue", mheFacade, 0xFF0000},
      {"clBlue", mheFacade, 0xFF0000},
      {"gcAqua", mheFacade, 0xFFFF00},
      {"claRed", mheFacade, 0},       // only the leading "cl" goes: "ared" is no name
      {"zzz", mheFacade, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Value);
    EXPECT_EQ(MiniHtmlColor(QString::fromUtf8(c.Value), c.Engine), c.Expected);
  }
  EXPECT_EQ(MiniHtmlColorNameCount(), 172);
}

TEST(KitMiniHTMLTest, FontSizes) {
  const int base = 9;
  struct C {
    const char* Tag;
    int Expected;
  } cases[] = {
      {"<FONT SIZE=\"1\"", 8},        {"<FONT SIZE=\"3\"", 12},      {"<FONT SIZE=5", 16},
      {"<FONT SIZE=\"20\"", 20},      {"<FONT SIZE=\"abc\"", base},  {"<FONT COLOR=\"red\"", base},
      {"<FONT SIZE=\"999999\"", MiniHtmlMaxFontSize},
      {"<FONT STYLE=\"font-size:14pt\" SIZE=\"1\"", 14},
      {"<FONT STYLE=\"font-size: 11 pt\"", 11},
      {"<FONT STYLE=\"color:red\" SIZE=\"1\"", base},  // STYLE without FONT-SIZE: nothing happens
      {"<FONT STYLE=\"font-size:14\"", base},          // without PT: nothing happens
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Tag);
    EXPECT_EQ(MiniHtmlFontTagSize(QString::fromUtf8(c.Tag), base), c.Expected);
  }
}

TEST(KitMiniHTMLTest, EntityTableAndRuns) {
  EXPECT_EQ(MiniHtmlEntityCount(), 84);
  EXPECT_EQ(MiniHtmlEntityName(3), "&quot;");
  EXPECT_EQ(MiniHtmlEntityChar(4), QChar(u' '));
  EXPECT_EQ(MiniHtmlEntityName(83), "&ETH;");
  EXPECT_THROW(MiniHtmlEntityName(84), EListError);
  EXPECT_THROW(MiniHtmlEntityChar(-1), EListError);

  EXPECT_EQ(MiniHtmlDecodeRun(QStringLiteral("&lt;B&gt;"), false), "<B>");
  EXPECT_EQ(MiniHtmlDecodeRun(QStringLiteral("a&nbsp;b"), false), "a b");
  EXPECT_EQ(MiniHtmlDecodeRun(QStringLiteral("&eacute;"), false), "&eacute;");
  EXPECT_EQ(MiniHtmlDecodeRun(QStringLiteral("&eacute;&Eacute;&euro;&#39;"), true), QString::fromUtf8("éÉ€'"));
  // Truncated or unknown entities stay as they are.
  EXPECT_EQ(MiniHtmlDecodeRun(QStringLiteral("&eacute"), true), "&eacute");
  EXPECT_EQ(MiniHtmlDecodeRun(QStringLiteral("&EACUTE;&"), true), "&EACUTE;&");
}

TEST(KitMiniHTMLTest, PictureReferences) {
  struct C {
    const char* Value;
    TMiniHtmlEngine Engine;
    TMiniHtmlPictureKind Kind;
    int Index;
    const char* Name;
  } cases[] = {
      {"IDX:3", mheCanvas, mhpImageIndex, 3, ""},
      {"idx:12", mheFacade, mhpImageIndex, 12, ""},
      {"IDX:x", mheCanvas, mhpNone, -1, ""},
      {"SSYS:4", mheCanvas, mhpSmallSystemIcon, -1, "4"},
      {"lsys:/tmp", mheCanvas, mhpLargeSystemIcon, -1, "/tmp"},
      {"SSYS:4", mheFacade, mhpNone, -1, ""},
      {"logo", mheCanvas, mhpContainer, -1, "logo"},
      {"http://h/p.png", mheCanvas, mhpURL, -1, "http://h/p.png"},
      {"http://h/p.png", mheFacade, mhpNone, -1, ""},
      {"file://c/x.png", mheCanvas, mhpURL, -1, "file://c/x.png"},
      {"FILE:///tmp/x.png", mheFacade, mhpFile, -1, "/tmp/x.png"},
      {"data:image/png;base64,AAAA", mheFacade, mhpData, -1, "AAAA"},
      {"data:image/png;base64,AAAA", mheCanvas, mhpNone, -1, ""},
      {"", mheCanvas, mhpNone, -1, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Value);
    const auto r = ParseMiniHtmlPictureRef(QString::fromUtf8(c.Value), c.Engine);
    EXPECT_EQ(r.Kind, c.Kind);
    EXPECT_EQ(r.Index, c.Index);
    EXPECT_EQ(r.Name, QString::fromUtf8(c.Name));
  }
}

TEST(KitMiniHTMLTest, ControlTags) {
  const auto c = ParseMiniHtmlControl(
      QStringLiteral("CONTROL type=\"check\" id=\"c1\" value=\"a&amp;b&eacute;\" width=\"20\" prop=\"&lt;p&gt;\""));
  EXPECT_EQ(c.ControlType, "CHECK");
  EXPECT_EQ(c.ID, "c1");
  EXPECT_EQ(c.Value, QString::fromUtf8("a&bé"));
  EXPECT_EQ(c.Width, "20");
  EXPECT_TRUE(c.HasWidth);
  EXPECT_EQ(c.Height, "25");
  EXPECT_FALSE(c.HasHeight);
  EXPECT_EQ(c.Prop, "<p>");
  EXPECT_FALSE(c.HasMaxLen);
  // Unclosed quote: the value runs to the end of the tag.
  const auto d = ParseMiniHtmlControl(QStringLiteral("CONTROL TYPE=\"EDIT\" ID=\"e"));
  EXPECT_EQ(d.ID, "e");
  EXPECT_FALSE(d.HasWidth);
}

}  // namespace
