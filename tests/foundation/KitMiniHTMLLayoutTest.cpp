// Line layout and hit testing of mini-HTML text on a surface with fixed
// glyph advances, so that results do not depend on font metrics.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QRegularExpression>

#include "foundation/KitMiniHTMLLayout.h"
#include "tests/support/TestSupport.h"

namespace {

// Every character is 10 units wide (12 in bold); a line is the font size
// plus 4 high.
class TFakeSurface : public TMiniHtmlSurface {
 public:
  struct Bullet {
    int X;
    QString Text;
    QString Shape;
  };
  QList<TMiniHtmlRun> Runs;
  QList<Bullet> Bullets;
  QList<QRect> Pictures;
  QList<QPair<TMiniHtmlControl, QRect>> Controls;
  QList<QRect> Bands;
  QList<QPair<QString, QRect>> Backgrounds;
  QList<QString> PictureNames;
  QList<QRect> FocusRects;
  QList<QPair<QString, QPoint>> Emoji;
  int Lines = 0;

  int TextWidth(const QString& AText, const TMiniHtmlFont& AFont) override {
    return int(AText.size()) * (AFont.Bold ? 12 : 10);
  }
  int TextHeight(const TMiniHtmlFont& AFont) override { return AFont.Size + 4; }
  void DrawRun(const TMiniHtmlRun& ARun) override { Runs.append(ARun); }
  void DrawBullet(int X, int, const QString& AText, const QString& AShape, TColor, const TMiniHtmlFont&) override {
    Bullets.append({X, AText, AShape});
  }
  void DrawHorzLine(int, int, int, TColor) override { ++Lines; }
  void DrawPicture(const TMiniHtmlPictureRef& ARef, const QRect& ABox) override {
    Pictures.append(ABox);
    PictureNames.append(ARef.Name);
  }
  void FillBand(const QRect& ARect, TColor) override { Bands.append(ARect); }
  void DrawBackgroundPicture(const TMiniHtmlPictureRef& ARef, const QRect& ARect, bool) override {
    Backgrounds.append({ARef.Name, ARect});
  }
  void DrawFocusRect(const QRect& ARect) override { FocusRects.append(ARect); }
  void DrawControl(const TMiniHtmlControl& AControl, const TMiniHtmlControlPlace& APlace) override {
    Controls.append({AControl, APlace.Box});
  }
  int DrawEmoji(int X, int Top, const QString& AGlyph, const TMiniHtmlFont& AFont, bool ADraw) override {
    if (ADraw) Emoji.append({AGlyph, QPoint(X, Top)});
    return TextHeight(AFont);
  }
  QString DrawnText() const {
    QString s;
    for (const auto& r : Runs) s += r.Text;
    return s;
  }
};

TMiniHtmlLayoutParams Params(int AWidth = 200, int AHeight = 200, TMiniHtmlEngine AEngine = mheCanvas) {
  TMiniHtmlLayoutParams p;
  p.Engine = AEngine;
  p.Rect = QRect(0, 0, AWidth, AHeight);
  p.Font.Name = QStringLiteral("Tahoma");
  p.Font.Size = 9;
  p.Font.Color = 0x000000;
  return p;
}

TEST(KitMiniHTMLLayoutTest, WrapsOnlyAtBlanks) {
  struct C {
    const char* Text;
    int Width;
    bool WordWrap;
    int Lines;
    int MaxWidth;
  } cases[] = {
      {"aaa bbb ccc", 75, true, 2, 70},     // "aaa" | "bbb ccc"
      {"aaa bbb ccc", 200, true, 1, 110},   // fits on one line
      {"abcdefghijkl xy", 50, true, 2, 120},  // the long word overflows its own line
      {"aaa bbb ccc", 45, false, 1, 110},   // without word wrap: one line
      {"a<B>bbbb</B>b ccc", 60, true, 2, 68},  // a word is not split at a tag
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    TFakeSurface s;
    auto p = Params(c.Width);
    p.WordWrap = c.WordWrap;
    const auto r = LayoutMiniHtml(QString::fromUtf8(c.Text), p, s);
    EXPECT_EQ(r.LineCount, c.Lines);
    EXPECT_EQ(r.Width, c.MaxWidth);
    EXPECT_EQ(r.Height, c.Lines * 13);
    EXPECT_EQ(r.PlainText, MiniHtmlDecodeRun(QString::fromUtf8(c.Text), false).remove(QRegularExpression("<[^>]*>")));
  }
}

TEST(KitMiniHTMLLayoutTest, FormattingOfRuns) {
  TFakeSurface s;
  auto r = LayoutMiniHtml(QStringLiteral("a<B>b</B>c"), Params(), s);
  ASSERT_EQ(s.Runs.size(), 3);
  EXPECT_EQ(s.DrawnText(), "abc");
  EXPECT_FALSE(s.Runs[0].Font.Bold);
  EXPECT_TRUE(s.Runs[1].Font.Bold);
  EXPECT_FALSE(s.Runs[2].Font.Bold);
  EXPECT_EQ(s.Runs[1].X, 11);
  EXPECT_EQ(s.Runs[2].X, 23);
  EXPECT_EQ(r.PlainText, "abc");

  TFakeSurface e;
  LayoutMiniHtml(QStringLiteral("&lt;B&gt;x"), Params(), e);
  EXPECT_EQ(e.DrawnText(), "<B>x");
  for (const auto& run : e.Runs) EXPECT_FALSE(run.Font.Bold);

  TFakeSurface f;
  LayoutMiniHtml(QStringLiteral("<FONT SIZE=\"3\">x</FONT>y<FONT size=\"20\" color=\"#FF0000\">z</FONT>w"), Params(), f);
  ASSERT_EQ(f.Runs.size(), 4);
  EXPECT_EQ(f.Runs[0].Font.Size, 12);
  EXPECT_EQ(f.Runs[1].Font.Size, 9);
  EXPECT_EQ(f.Runs[2].Font.Size, 20);
  EXPECT_EQ(f.Runs[2].Font.Color, 0x0000FF);
  EXPECT_EQ(f.Runs[3].Font.Size, 9);
  EXPECT_EQ(f.Runs[3].Font.Color, 0);
  // Runs sit on the bottom of the line box, which the large font makes 24 high.
  EXPECT_EQ(f.Runs[1].Bottom, 24);

  TFakeSurface sel;
  auto p = Params();
  p.Selected = true;
  LayoutMiniHtml(QStringLiteral("<FONT COLOR=\"red\">x</FONT>"), p, sel);
  ASSERT_EQ(sel.Runs.size(), 1);
  EXPECT_EQ(sel.Runs[0].Font.Color, 0);

  TFakeSurface z;
  r = LayoutMiniHtml(QStringLiteral("a<Z>secret</Z>b<U>u</U><S>s</S><I>i</I>"), Params(), z);
  EXPECT_EQ(z.DrawnText(), "abusi");
  EXPECT_EQ(r.PlainText, "asecretbusi");
  EXPECT_EQ(r.Width, 50);
  EXPECT_TRUE(z.Runs[2].Font.Underline);
  EXPECT_TRUE(z.Runs[3].Font.StrikeOut);
  EXPECT_TRUE(z.Runs[4].Font.Italic);
}

TEST(KitMiniHTMLLayoutTest, Highlight) {
  for (const auto engine : {mheCanvas, mheFacade}) {
    SCOPED_TRACE(int(engine));
    TFakeSurface s;
    auto p = Params(200, 200, engine);
    p.HighlightColor = 0x112233;
    p.HighlightTextColor = 0x445566;
    p.HighlightBold = true;
    const auto r = LayoutMiniHtml(QStringLiteral("a<HI>bb</HI>c"), p, s);
    ASSERT_EQ(s.Runs.size(), 3);
    EXPECT_EQ(s.Runs[1].Background, 0x112233);
    EXPECT_EQ(s.Runs[1].Font.Color, 0x445566);
    // Runs start without a background of their own.
    EXPECT_EQ(s.Runs[2].Background, engine == mheCanvas ? mhNoColorCanvas : mhNoColorFacade);
    EXPECT_EQ(s.Runs[2].Font.Color, 0);
    // Only the facade engine takes the highlight font styles, in both passes.
    EXPECT_EQ(s.Runs[1].Font.Bold, engine == mheFacade);
    EXPECT_FALSE(s.Runs[2].Font.Bold);
    EXPECT_EQ(r.Width, engine == mheFacade ? 10 + 24 + 10 + 2 : 40);
  }
}

TEST(KitMiniHTMLLayoutTest, LineBreaksAndRules) {
  TFakeSurface s;
  const auto r = LayoutMiniHtml(QStringLiteral("a<BR>b<HR>c"), Params(), s);
  EXPECT_EQ(r.LineCount, 3);
  EXPECT_EQ(r.PlainText, "a\rbc");
  EXPECT_EQ(s.Lines, 1);
  EXPECT_EQ(r.Height, 39);
}

TEST(KitMiniHTMLLayoutTest, Alignment) {
  struct C {
    const char* Text;
    TMiniHtmlEngine Engine;
    int FirstX;
    int SecondX;
  } cases[] = {
      // Canvas lines start 1 unit in; 100 - 20 free, half of it is 40.
      {"<P ALIGN=\"CENTER\">ab</P>cd", mheCanvas, 41, 1},
      {"<P ALIGN=\"RIGHT\">ab</P>cd", mheCanvas, 81, 1},
      // The facade keeps the alignment after the paragraph.
      {"<P ALIGN=\"CENTER\">ab</P>cd", mheFacade, 40, 40},
      {"<P ALIGN=\"left right\">ab</P>cd", mheCanvas, 1, 1},  // LEFT is tested after RIGHT
      {"<P ALIGN=\"right center\">ab</P>cd", mheCanvas, 41, 1},
      {"<P INDENT=\"7\">ab</P>cd", mheCanvas, 8, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    TFakeSurface s;
    LayoutMiniHtml(QString::fromUtf8(c.Text), Params(101, 200, c.Engine), s);
    ASSERT_EQ(s.Runs.size(), 2);
    EXPECT_EQ(s.Runs[0].X, c.FirstX);
    EXPECT_EQ(s.Runs[1].X, c.SecondX);
  }
}

TEST(KitMiniHTMLLayoutTest, LineOffsetOfTheFacadeEngine) {
  TFakeSurface s;
  LayoutMiniHtml(QStringLiteral("<OF X=\"40\">a<BR>b</OF><BR>c"), Params(200, 200, mheFacade), s);
  ASSERT_EQ(s.Runs.size(), 3);
  EXPECT_EQ(s.Runs[0].X, 40);
  EXPECT_EQ(s.Runs[1].X, 40);
  EXPECT_EQ(s.Runs[2].X, 0);
  // The canvas engine does not know the tag.
  TFakeSurface c;
  LayoutMiniHtml(QStringLiteral("<OF X=\"40\">a"), Params(), c);
  ASSERT_EQ(c.Runs.size(), 1);
  EXPECT_EQ(c.Runs[0].X, 1);
}

TEST(KitMiniHTMLLayoutTest, ListItems) {
  TFakeSurface s;
  const auto r = LayoutMiniHtml(QStringLiteral("<UL><LI>a<LI>b</UL>"), Params(), s);
  EXPECT_EQ(r.LineCount, 2);
  ASSERT_EQ(s.Bullets.size(), 2);
  ASSERT_EQ(s.Runs.size(), 2);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(s.Bullets[i].X, 1);  // the line's start
    EXPECT_EQ(s.Bullets[i].Text, QString(QChar(0x2022)));
    EXPECT_EQ(s.Runs[i].X, 13);  // 12 further
  }
  TFakeSurface o;
  LayoutMiniHtml(QStringLiteral("<OL><LI>a<LI TYPE=\"square\">b<LI>c</OL>"), Params(), o);
  ASSERT_EQ(o.Bullets.size(), 3);
  EXPECT_EQ(o.Bullets[0].Text, "1. ");
  EXPECT_EQ(o.Bullets[1].Shape, "SQUARE");
  EXPECT_EQ(o.Bullets[2].Text, "2. ");
  // A picture bullet wider than the indent moves the text on.
  TFakeSurface i;
  auto p = Params();
  p.PictureSize = [](const TMiniHtmlPictureRef& ref) { return ref.Name == u"DOT" ? QSize(20, 10) : QSize(); };
  LayoutMiniHtml(QStringLiteral("<UL><LI TYPE=\"IMAGE\" NAME=\"dot\">a<LI TYPE=\"IMAGE\" NAME=\"none\">b</UL>"),
                 p, i);
  EXPECT_EQ(i.Pictures, QList<QRect>({QRect(1, 2, 20, 10)}));
  ASSERT_EQ(i.Runs.size(), 2);
  EXPECT_EQ(i.Runs[0].X, 21);
  EXPECT_EQ(i.Runs[1].X, 13);
}

TEST(KitMiniHTMLLayoutTest, LinkHitTest) {
  const QString text = QStringLiteral("see <A HREF=\"x\" TITLE=\"T\">link</A> end");
  struct C {
    QPoint Pointer;
    bool HitTestOnly;
    bool Hit;
    const char* Anchor;
  } cases[] = {
      {{55, 6}, true, true, "x"},     // over the word
      {{55, 6 + 13}, true, false, ""},  // one text line below
      {{15, 6}, true, false, ""},     // over "see"
      {{55, 6}, false, false, "x"},   // when drawing the anchor is reported, the hit is not
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Pointer.y());
    TFakeSurface s;
    auto p = Params();
    p.Pointer = c.Pointer;
    p.HitTestOnly = c.HitTestOnly;
    const auto r = LayoutMiniHtml(text, p, s);
    EXPECT_EQ(r.Hit, c.Hit);
    EXPECT_EQ(r.Anchor, QString::fromUtf8(c.Anchor));
    EXPECT_EQ(r.LinkCount, 1);
    if (*c.Anchor) {
      EXPECT_EQ(r.Title, "T");
      EXPECT_EQ(r.HoverLink, 1);
      EXPECT_EQ(r.HoverRect, QRect(QPoint(41, 0), QPoint(80, 12)));
    }
  }
  // Link colours: the URL colour while inside, the base colour after it.
  TFakeSurface s;
  auto p = Params();
  p.URLColor = 0x00FF00;
  p.FocusLink = 0;
  const auto r = LayoutMiniHtml(text, p, s);
  ASSERT_EQ(s.Runs.size(), 4);
  EXPECT_EQ(s.Runs[1].Font.Color, 0x00FF00);
  EXPECT_TRUE(s.Runs[1].Font.Underline);
  EXPECT_EQ(s.Runs[2].Font.Color, 0);
  EXPECT_FALSE(s.Runs[2].Font.Underline);
  EXPECT_EQ(r.FocusAnchor, "x");
  // The facade engine underlines hovered links only when asked to.
  for (const bool underline : {true, false}) {
    TFakeSurface f;
    auto q = Params(200, 200, mheFacade);
    q.URLUnderline = underline;
    LayoutMiniHtml(text, q, f);
    ASSERT_EQ(f.Runs.size(), 4);
    EXPECT_EQ(f.Runs[1].Font.Underline, underline);
  }
}

TEST(KitMiniHTMLLayoutTest, Images) {
  struct C {
    const char* Text;
    int Width;
    int Height;
    int Pictures;
  } cases[] = {
      {"a<IMG SRC=\"IDX:99\">b", 20, 13, 0},          // beyond the image list: no space
      {"a<IMG SRC=\"IDX:1\">b", 20 + 18, 16, 1},      // 16 x 16 plus 2
      {"a<IMG SRC=\"IDX:1\" WIDTH=\"32\">b", 20 + 34, 32, 1},  // height follows the ratio
      {"a<IMG SRC=\"IDX:1\" WRAP>b", 38, 13, 1},      // WRAP: one text line high
      {"a<IMG SRC=\"logo\">b", 20 + 42, 20, 1},       // container picture 40 x 20
      {"a<IMG SRC=\"missing\">b", 20, 13, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    TFakeSurface s;
    auto p = Params();
    p.ImageCount = 3;
    p.ImageSize = QSize(16, 16);
    p.PictureSize = [](const TMiniHtmlPictureRef& ref) {
      return ref.Kind == mhpContainer && ref.Name == u"LOGO" ? QSize(40, 20) : QSize();
    };
    const auto r = LayoutMiniHtml(QString::fromUtf8(c.Text), p, s);
    EXPECT_EQ(r.Width, c.Width);
    EXPECT_EQ(r.Height, c.Height);
    EXPECT_EQ(s.Pictures.size(), c.Pictures);
  }
}

TEST(KitMiniHTMLLayoutTest, Controls) {
  TFakeSurface s;
  auto p = Params();
  p.Pointer = QPoint(5, 5);
  auto r = LayoutMiniHtml(QStringLiteral("<CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"TRUE\" WIDTH=\"20\">"), p, s);
  ASSERT_EQ(s.Controls.size(), 1);
  EXPECT_EQ(s.Controls[0].second, QRect(1, 0, 16, 16));
  EXPECT_EQ(s.Controls[0].first.Value, "TRUE");
  EXPECT_TRUE(r.Hit);
  EXPECT_EQ(r.Anchor, "ctrl");
  EXPECT_EQ(r.ControlID, "c");
  EXPECT_EQ(r.ControlType, "CHECK");
  EXPECT_EQ(r.Height, 16);

  // A tall HEIGHT raises the line, the print factor widens check boxes.
  TFakeSurface tall;
  auto t = Params();
  t.PrintFactor = 2.0;
  r = LayoutMiniHtml(QStringLiteral("<CONTROL TYPE=\"EDIT\" ID=\"e\" WIDTH=\"50\" HEIGHT=\"40\">"
                                    "<CONTROL TYPE=\"RADIO\" ID=\"r\" WIDTH=\"1\">"),
                     t, tall);
  ASSERT_EQ(tall.Controls.size(), 2);
  // Both sit on the bottom of the 38-high line.
  EXPECT_EQ(tall.Controls[0].second, QRect(1, 38 - 23, 50, 23));
  EXPECT_EQ(tall.Controls[1].second, QRect(51, 38 - 16, 32, 16));
  EXPECT_EQ(r.Height, 38);

  TFakeSurface none;
  r = LayoutMiniHtml(QStringLiteral("<CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"TRUE\">"), p, none);
  EXPECT_TRUE(none.Controls.isEmpty());
  EXPECT_FALSE(r.Hit);

  TFakeSurface edit;
  auto q = Params();
  q.HitTestOnly = true;
  q.HitControlID = QStringLiteral("e2");
  r = LayoutMiniHtml(QStringLiteral("<CONTROL TYPE=\"EDIT\" ID=\"e1\" WIDTH=\"50\"> "
                                    "<CONTROL TYPE=\"EDIT\" ID=\"e2\" WIDTH=\"50\" VALUE=\"v\">"),
                     q, edit);
  EXPECT_TRUE(r.Hit);
  EXPECT_EQ(r.ControlID, "e2");
  EXPECT_EQ(r.ControlValue, "v");
  EXPECT_EQ(r.ControlRect, QRect(61, 0, 50, 23));
  EXPECT_TRUE(edit.Controls.isEmpty());  // hit test only: nothing drawn
}

TEST(KitMiniHTMLLayoutTest, FloatingImagesAndParagraphs) {
  auto p = Params(200, 200);
  p.PictureSize = [](const TMiniHtmlPictureRef& ref) { return ref.Name == u"PIC" ? QSize(30, 30) : QSize(); };
  TFakeSurface s;
  // A left float keeps the next lines 32 units further right until below it.
  auto r = LayoutMiniHtml(QStringLiteral("<IMG SRC=\"pic\" FLOAT=\"LEFT\">a<BR>b<BR>c<BR>d"), p, s);
  ASSERT_EQ(s.Runs.size(), 4);
  EXPECT_EQ(s.Pictures.value(0), QRect(1, 0, 30, 30));
  EXPECT_EQ(s.Runs[0].X, 33);
  EXPECT_EQ(s.Runs[1].X, 33);
  EXPECT_EQ(s.Runs[2].X, 33);  // line top 26 is still above the image's bottom
  EXPECT_EQ(s.Runs[3].X, 1);   // line top 39: the float area is cleared
  EXPECT_EQ(r.LineCount, 4);
  // A right float ends its line and keeps the right side free.
  TFakeSurface t;
  r = LayoutMiniHtml(QStringLiteral("<IMG SRC=\"pic\" FLOAT=\"RIGHT\"><P ALIGN=\"RIGHT\">ab</P>"), p, t);
  EXPECT_EQ(t.Pictures.value(0), QRect(170, 0, 30, 30));
  ASSERT_EQ(t.Runs.size(), 1);
  EXPECT_EQ(t.Runs[0].X, 200 - 32 - 20);
  // A floated paragraph: the next line starts at the same top.
  TFakeSurface u;
  LayoutMiniHtml(QStringLiteral("<P FLOAT=\"LEFT\">a</P>b"), p, u);
  ASSERT_EQ(u.Runs.size(), 2);
  EXPECT_EQ(u.Runs[0].Bottom, u.Runs[1].Bottom);
}

TEST(KitMiniHTMLLayoutTest, BodyBlinkFocusAndHoveredImages) {
  TFakeSurface s;
  auto p = Params(100, 50);
  p.Background = 0x00FFFF;
  p.BlinkOff = true;
  auto r = LayoutMiniHtml(
      QStringLiteral("<BODY BGCOLOR=\"#FF0000\" BACKGROUND=\"tile\" FONT-SIZE:14PT; FONT-STYLE:BOLD;>"
                     "<BLINK>x</BLINK>y"),
      p, s);
  ASSERT_EQ(s.Runs.size(), 2);
  EXPECT_EQ(s.Bands.value(0), p.Rect);
  ASSERT_EQ(s.Backgrounds.size(), 1);
  EXPECT_EQ(s.Backgrounds[0].first, "TILE");
  EXPECT_EQ(s.Runs[0].Font.Color, 0x00FFFF);  // invisible: the background colour
  EXPECT_EQ(s.Runs[0].Font.Size, 14);
  EXPECT_TRUE(s.Runs[0].Font.Bold);
  EXPECT_EQ(s.Runs[1].Font.Color, 0);
  EXPECT_EQ(r.Height, 18);
  // BGCOLOR by name needs the "cl" prefix in the canvas engine.
  TFakeSurface n;
  LayoutMiniHtml(QStringLiteral("<BODY BGCOLOR=\"red\">x"), p, n);
  EXPECT_TRUE(n.Bands.isEmpty());

  // The focused link gets a focus rectangle, one piece per line.
  TFakeSurface f;
  auto q = Params(120, 100);
  q.FocusLink = 1;
  r = LayoutMiniHtml(QStringLiteral("<A HREF=\"a\">x</A> <A HREF=\"b\">long words</A>"), q, f);
  EXPECT_EQ(r.FocusAnchor, "b");
  EXPECT_EQ(r.LinkCount, 2);
  ASSERT_EQ(f.FocusRects.size(), 2);
  EXPECT_EQ(f.FocusRects[0], QRect(20, 0, 52, 13));
  EXPECT_EQ(f.FocusRects[1], QRect(1, 13, 51, 13));

  // A linked image under the pointer shows its ALT picture.
  TFakeSurface h;
  auto a = Params();
  a.Pointer = QPoint(5, 5);
  a.PictureSize = [](const TMiniHtmlPictureRef&) { return QSize(16, 16); };
  r = LayoutMiniHtml(QStringLiteral("<A HREF=\"go\"><IMG SRC=\"one\" ALT=\"two\"></A><IMG SRC=\"three\" ALT=\"four\">"),
                     a, h);
  EXPECT_TRUE(r.Hit);
  EXPECT_EQ(r.Anchor, "go");
  EXPECT_EQ(h.PictureNames, QList<QString>({"TWO", "THREE"}));
}

TEST(KitMiniHTMLLayoutTest, BottomDropsRemainingTextUnlessMeasuring) {
  const QString text = QStringLiteral("1<BR>2<BR>3<BR>4<BR>5");
  TFakeSurface s;
  auto p = Params(100, 30);
  auto r = LayoutMiniHtml(text, p, s);
  EXPECT_EQ(r.LineCount, 2);
  p.MeasureOnly = true;
  TFakeSurface m;
  r = LayoutMiniHtml(text, p, m);
  EXPECT_EQ(r.LineCount, 5);
  EXPECT_EQ(r.Height, 65);
  EXPECT_TRUE(m.Runs.isEmpty());
  // Without word wrap a first run wider than the line ends the text.
  TFakeSurface w;
  auto q = Params(50, 200);
  q.WordWrap = false;
  r = LayoutMiniHtml(QStringLiteral("abcdefghij<BR>next"), q, w);
  EXPECT_EQ(r.LineCount, 1);
  EXPECT_EQ(w.DrawnText(), "abcdefghij");
}

TEST(KitMiniHTMLLayoutTest, RotationEmojiAndPrintedIndents) {
  // R turns the font of the runs up to "</R>" (canvas engine only).
  TFakeSurface r;
  LayoutMiniHtml(QStringLiteral("<R A=\"90\">up</R>flat<R A=\"-45\">x"), Params(), r);
  ASSERT_EQ(r.Runs.size(), 3);
  EXPECT_EQ(r.Runs[0].Font.Orientation, 900);
  EXPECT_EQ(r.Runs[1].Font.Orientation, 0);
  EXPECT_EQ(r.Runs[2].Font.Orientation, -450);
  TFakeSurface f;
  LayoutMiniHtml(QStringLiteral("<R A=\"90\">up"), Params(200, 200, mheFacade), f);
  EXPECT_EQ(f.Runs.value(0).Font.Orientation, 0);

  // J: the emoji after "<J ", one text line high wide, on the line's text;
  // hidden it takes its place but is not drawn.
  TFakeSurface j;
  auto res = LayoutMiniHtml(QString::fromUtf8("a<J 😀 >b<Z><J 😀 ></Z>c"), Params(), j);
  ASSERT_EQ(j.Emoji.size(), 1);
  EXPECT_EQ(j.Emoji[0].first, QString::fromUtf8("😀"));
  EXPECT_EQ(j.Emoji[0].second, QPoint(11, 0));
  EXPECT_EQ(res.Width, 10 + 13 + 10 + 13 + 10);
  EXPECT_EQ(j.Runs.value(1).X, 11 + 13);

  // IND: the caller's scale on screen; printed, the print factor (three
  // times it while measuring).
  struct C {
    bool Printing;
    double Scale;
    int X;
    int Width;
  } cases[] = {{false, 1.0, 1 + 20, 30}, {false, 2.0, 1 + 40, 50}, {true, 2.0, 1 + 40, 130}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Printing * 10 + c.Scale);
    TFakeSurface i;
    auto p = Params();
    p.Printing = c.Printing;
    p.ScaleFactor = c.Scale;
    p.PrintFactor = 2.0;
    res = LayoutMiniHtml(QStringLiteral("<IND X=\"20\">a"), p, i);
    ASSERT_EQ(i.Runs.size(), 1);
    EXPECT_EQ(i.Runs[0].X, c.X);
    EXPECT_EQ(res.Width, c.Width);
  }
}

TEST(KitMiniHTMLLayoutTest, RightToLeftLinesAreMirrored) {
  auto p = Params(101, 100);
  p.RightToLeft = true;
  p.Pointer = QPoint(95, 6);
  p.HitTestOnly = true;
  TFakeSurface s;
  // Line 1 .. 101: "ab" (20) then "cd" to its left.
  auto r = LayoutMiniHtml(QStringLiteral("<A HREF=\"x\">ab</A>cd<BR><P ALIGN=\"RIGHT\">ef</P>"), p, s);
  EXPECT_TRUE(r.Hit);
  EXPECT_EQ(r.Anchor, "x");
  EXPECT_EQ(r.HoverRect, QRect(81, 0, 20, 13));
  p.HitTestOnly = false;
  TFakeSurface d;
  LayoutMiniHtml(QStringLiteral("<A HREF=\"x\">ab</A>cd<BR><P ALIGN=\"RIGHT\">ef</P>"), p, d);
  ASSERT_EQ(d.Runs.size(), 3);
  EXPECT_TRUE(d.Runs[0].Mirrored);
  EXPECT_EQ(d.Runs[0].X, 81);
  EXPECT_EQ(d.Runs[1].X, 61);
  EXPECT_EQ(d.Runs[2].X, 1);  // right alignment mirrored: at the left
}

TEST(KitMiniHTMLLayoutTest, MeasuringAgreesWithDrawingForListsAndBackgrounds) {
  // Measured alone or before drawing, a list line has the same width: the
  // level and the order numbers count in both passes.
  for (const char* text : {"<UL><LI>a<LI>b</UL>", "<OL><LI>a<LI>b<LI>c</OL>", "<UL><UL><LI>deep</UL></UL>"}) {
    SCOPED_TRACE(text);
    TFakeSurface m, d;
    auto p = Params();
    p.MeasureOnly = true;
    const auto measured = LayoutMiniHtml(QString::fromUtf8(text), p, m);
    p.MeasureOnly = false;
    const auto drawn = LayoutMiniHtml(QString::fromUtf8(text), p, d);
    EXPECT_EQ(measured.Width, drawn.Width);
    EXPECT_EQ(measured.LineCount, drawn.LineCount);
  }
  // Closing tags that restore a background never restore one nobody set.
  TFakeSurface b;
  LayoutMiniHtml(QStringLiteral("<FONT COLOR=\"red\">a</FONT>b<SPAN>c</SPAN>d</P>e"), Params(), b);
  for (const auto& run : b.Runs) EXPECT_EQ(run.Background, mhNoColorCanvas) << run.Text.toStdString();
}

TEST(KitMiniHTMLLayoutTest, MalformedMarkupEndsInBoundedTime) {
  QStringList texts = {
      QStringLiteral("<"),
      QStringLiteral("<<<<<<<<"),
      QStringLiteral("<B"),
      QStringLiteral("</"),
      QStringLiteral("a<FONT SIZE=\"3\" COLOR=\"#12"),
      QStringLiteral("&lt&gt&nbsp&eacute&"),
      QStringLiteral("<A HREF=\"x>link"),
      QStringLiteral("<IMG SRC=\"IDX:-5\" WIDTH=\"999999999\" HEIGHT=\"abc\">"),
      QStringLiteral("<CONTROL TYPE=\"EDIT\" WIDTH=\"99999999\" HEIGHT=\"99999999\">"),
      QStringLiteral("<UL><UL><UL><LI><LI><LI></UL></UL></UL></UL></UL></OL></O>"),
      QStringLiteral("<P LINE-HEIGHT=\"1e308\">x<P LINE-HEIGHT=\"nan\">y"),
      QStringLiteral("<IND X=\"99999\">x"),
  };
  QString nested;
  for (int i = 0; i < 20000; ++i) nested += QStringLiteral("<B><FONT SIZE=\"5\"><UL><A HREF=\"h\"><SUB>");
  texts << nested + QStringLiteral("x");
  QRandomGenerator rng(42);
  const QString alphabet = QStringLiteral("<>/&;\"= abBfFiIuUlLsSpPzZ#1X");
  for (int n = 0; n < 300; ++n) {
    QString t;
    const int len = int(rng.bounded(60));
    for (int i = 0; i < len; ++i) t += alphabet.at(rng.bounded(int(alphabet.size())));
    texts << t;
  }
  QElapsedTimer timer;
  timer.start();
  for (const auto& t : texts) {
    for (bool wrap : {true, false}) {
      TFakeSurface s;
      auto p = Params(50, 400);
      p.WordWrap = wrap;
      p.Pointer = QPoint(10, 5);
      const auto r = LayoutMiniHtml(t, p, s);
      EXPECT_GE(r.Height, 13);
      EXPECT_LE(r.LineCount, t.size() + 1);
      for (const auto& run : s.Runs) EXPECT_LE(run.Font.Size, MiniHtmlMaxFontSize);
    }
  }
  EXPECT_LT(timer.elapsed(), 20000);
}

}  // namespace
