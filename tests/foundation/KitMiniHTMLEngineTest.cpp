// The mini-HTML engine for canvases on real bitmaps: the preparation passes,
// what each construct draws (compared with the same text drawn the plain
// way, or with the platform part drawn directly), hit tests, measuring
// against drawing, and hostile markup. The canvas font is pinned; the tests
// assert line counts, hits, colours and relations, not font metrics.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <sys/resource.h>

#include "foundation/KitMiniHTMLEngine.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/ImgList.h"
#include "platform/win32/Gdi.h"
#include "platform/win32/Theme.h"
#include "tests/foundation/MiniHtmlPictureDump.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr TColor kWhite = 0xFFFFFF;

// A white bitmap whose canvas has the pinned font.
class TSheet {
 public:
  explicit TSheet(int w = 320, int h = 120) {
    FBitmap.SetPixelFormat(pf32bit);
    FBitmap.SetSize(w, h);
    Canvas()->Font()->SetName(QStringLiteral("DejaVu Sans"));
    Canvas()->Font()->SetHeight(-12);
    Canvas()->Font()->SetColor(0);
    Clear();
  }
  ~TSheet() {
    if (FDrawn) minihtmlpictures::Keep(Image());
  }
  TCanvas* Canvas() { return FBitmap.Canvas(); }
  void Clear() {
    Canvas()->Brush()->SetColor(kWhite);
    Canvas()->Brush()->SetStyle(bsSolid);
    Canvas()->FillRect(TRect(0, 0, FBitmap.Width(), FBitmap.Height()));
  }
  QImage Image() { return FBitmap.ToImage().convertToFormat(QImage::Format_RGB32); }
  int Width() const { return FBitmap.Width(); }
  int Height() const { return FBitmap.Height(); }

  TMiniHtmlDrawResult Draw(const QString& AText, TMiniHtmlDrawParams AParams = {}, TRect ARect = TRect()) {
    if (ARect.Width() == 0) ARect = TRect(0, 0, Width(), Height());
    TMiniHtmlDrawResult r;
    DrawMiniHtml(Canvas(), AText, ARect, AParams, r);
    FDrawn = FDrawn || !AParams.MeasureOnly;
    return r;
  }

 private:
  TBitmap FBitmap;
  bool FDrawn = false;
};

// Bounding box of the pixels that are not white (empty: none).
QRect Ink(const QImage& AImage, QRgb ABackground = qRgb(255, 255, 255)) {
  QRect box;
  for (int y = 0; y < AImage.height(); ++y)
    for (int x = 0; x < AImage.width(); ++x)
      if ((AImage.pixel(x, y) & 0xFFFFFF) != (ABackground & 0xFFFFFF)) box |= QRect(x, y, 1, 1);
  return box;
}

// Bounding box and count of the pixels close to a colour.
QRect InkOf(const QImage& AImage, QRgb AColor, int* ACount = nullptr, int ATolerance = 40) {
  QRect box;
  int n = 0;
  for (int y = 0; y < AImage.height(); ++y)
    for (int x = 0; x < AImage.width(); ++x) {
      const QRgb p = AImage.pixel(x, y);
      if (std::abs(qRed(p) - qRed(AColor)) <= ATolerance && std::abs(qGreen(p) - qGreen(AColor)) <= ATolerance &&
          std::abs(qBlue(p) - qBlue(AColor)) <= ATolerance) {
        box |= QRect(x, y, 1, 1);
        ++n;
      }
    }
  if (ACount) *ACount = n;
  return box;
}

// Pixels of strong colour (not grey): colour emoji show many.
int Colourful(const QImage& AImage, const QRect& AArea) {
  int n = 0;
  for (int y = AArea.top(); y <= AArea.bottom(); ++y)
    for (int x = AArea.left(); x <= AArea.right(); ++x) {
      const QRgb p = AImage.pixel(x, y);
      const int hi = std::max({qRed(p), qGreen(p), qBlue(p)}), lo = std::min({qRed(p), qGreen(p), qBlue(p)});
      if (hi - lo > 80) ++n;
    }
  return n;
}

TMiniHtmlDrawParams NoWrap() {
  TMiniHtmlDrawParams p;
  p.WordWrap = false;
  return p;
}

// The text drawn the plain way, as one run of the engine would draw it: a
// single line, bottom-aligned, starting one pixel in.
QImage Reference(const QString& AText, int AHeight, UINT AExtra = 0) {
  TSheet s;
  HDC dc = s.Canvas()->Handle();
  SelectObject(dc, s.Canvas()->Font()->Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, 0);
  QString text = AText;
  RECT r{1, 0, s.Width(), AHeight};
  DrawTextExW(dc, reinterpret_cast<LPWSTR>(text.data()), int(text.size()), &r,
              DT_SINGLELINE | DT_BOTTOM | DT_EXPANDTABS | DT_EXTERNALLEADING | DT_END_ELLIPSIS | AExtra, nullptr);
  return s.Image();
}

// Restores a unit-level value after a test.
struct TRestoreUnit {
  TColor Highlight = HtmlHighlightColor();
  TColor HighlightText = HtmlHighlightTextColor();
  bool Keep = HtmlKeepLineBreaks();
  bool Themes = IsThemeActive();
  TSysLocale Locale = SysLocale;
  ~TRestoreUnit() {
    SetHtmlHighlightColors(Highlight, HighlightText);
    SetHtmlKeepLineBreaks(Keep);
    SetThemeActive(Themes);
    SysLocale = Locale;
  }
};

// ---------------------------------------------------------------------------
// Preparation passes

TEST(KitMiniHTMLEngineTest, PreparationPasses) {
  struct C {
    const char* In;
    const char* Out;
  };
  const C entities[] = {
      {"Tom &amp; Jerry", "Tom && Jerry"},
      {"&AMP;AMP;", "&&&"},  // a replacement forms another "&amp;"
      {"&Amp;quot;", "&\""},
      {"&eacute;&Eacute;&euro;&#39;", "éÉ€'"},
      {"a&nbsp;b", "a b"},
      {"&quot;x&quot;", "\"x\""},
      {"&EACUTE; &eacute &", "&EACUTE; &eacute &"},  // exact names only, complete ones only
      {"&lt;B&gt;", "&lt;B&gt;"},                    // left for the runs
  };
  for (const auto& c : entities) {
    SCOPED_TRACE(c.In);
    EXPECT_EQ(DecodeMiniHtmlEntities(QString::fromUtf8(c.In)), QString::fromUtf8(c.Out));
  }
  const C markers[] = {
      {"<#abc>", "#abc"},
      {"x<#a<#b>c>d", "x#a#bcd"},
      {"<<#x>", "#x"},        // the removed "<" joins the one before it
      {"<#a<>#b>", "#a#b"},   // the removed ">" joins "<" and "#"
      {"<#no end", "#no end"},
      {"<B>a</B>", "<B>a</B>"},
  };
  for (const auto& c : markers) {
    SCOPED_TRACE(c.In);
    EXPECT_EQ(RemoveHtmlMarkers(QString::fromUtf8(c.In)), QString::fromUtf8(c.Out));
  }
  const C numeric[] = {
      {"&#65;", "A"},
      {"&#x41;", "A"},
      {"&#X4a;", "J"},
      {"&#8364;", "€"},
      {"&#65 x", "Ax"},                 // the character after the digits goes with them
      {"&#128512;", "<J 😀 >"},         // from U+1F004 up: the emoji tag
      {"&#x1F004;", "<J 🀄 >"},
      {"&#x1F003;", "🀃"},
      {"&#abc;", "&#abc;"},
      {"&#;", "&#;"},
      {"&#", "&#"},
      {"&#55296;", "&#55296;"},         // a surrogate is no character
      {"&#x10FFFF;", "<J \U0010FFFF >"},
      {"&#x110000;", "&#x110000;"},     // beyond Unicode
      {"&#1234567;", "&#1234567;"},     // seven digits
      {"&#0;", "&#0;"},
      {"a&&#65;&#66;", "a&&#65;&#66;"},  // an escaped "&&#" ends the pass
      {"&#65;&#66;", "AB"},
  };
  for (const auto& c : numeric) {
    SCOPED_TRACE(c.In);
    EXPECT_EQ(DecodeNumericEntities(QString::fromUtf8(c.In)), QString::fromUtf8(c.Out));
  }
  EXPECT_EQ(LineBreaksToHtml(QStringLiteral("a\r\nb"), true), "a<BR>b");
  EXPECT_EQ(LineBreaksToHtml(QStringLiteral("a\r\nb"), false), "a b");
  EXPECT_EQ(LineBreaksToHtml(QStringLiteral("<B>\r\n</B>x\ry"), false), "<B></B>x y");
  EXPECT_EQ(PrepareMiniHtml(QStringLiteral("&amp;#65;<#m>\r"), true), "&&#65;#m<BR>");

  EXPECT_EQ(ParseHtmlColor(QStringLiteral("#0080FF")), 0xFF8000);
  EXPECT_EQ(ParseHtmlColor(QStringLiteral("clRed")), 0x0000FF);
  EXPECT_EQ(ParseHtmlColor(QStringLiteral("red")), 0x0000FF);
  EXPECT_EQ(ParseHtmlColor(QStringLiteral("ZZZ")), 0);
}

// ---------------------------------------------------------------------------
// What is drawn

TEST(KitMiniHTMLEngineTest, EntitiesAndReferencesDrawTheirCharacters) {
  struct C {
    const char* Markup;
    const char* Plain;
  } cases[] = {
      {"Tom &amp; Jerry", "Tom & Jerry"},
      {"&#65;&#x42;C", "ABC"},
      {"&eacute;&Eacute; &lt;B&gt;", "éÉ <B>"},
      {"a&nbsp;b", "a b"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Markup);
    TSheet s;
    const auto r = s.Draw(QString::fromUtf8(c.Markup), NoWrap());
    EXPECT_EQ(r.LineCount, 1);
    EXPECT_EQ(s.Image(), Reference(QString::fromUtf8(c.Plain), r.Height, DT_NOPREFIX));
  }
  // A single "&" underlines what follows: "a & b" is "a  b" with the second
  // blank underlined.
  TSheet a, b;
  const auto r = a.Draw(QStringLiteral("a & b"), NoWrap());
  b.Draw(QStringLiteral("a  b"), NoWrap());
  QImage diff = a.Image();
  const QImage plain = b.Image();
  for (int y = 0; y < diff.height(); ++y)
    for (int x = 0; x < diff.width(); ++x)
      if (diff.pixel(x, y) == plain.pixel(x, y)) diff.setPixel(x, y, qRgb(255, 255, 255));
  const QRect underline = Ink(diff);
  ASSERT_FALSE(underline.isEmpty());
  EXPECT_LE(underline.height(), 2);
  EXPECT_GT(underline.left(), Ink(plain).left() + 2);  // under the blank, not under "a"
  EXPECT_LT(underline.right(), Ink(plain).right() - 2);
  EXPECT_LE(underline.bottom(), r.Height);
  // An invalid reference stays text.
  TSheet c;
  EXPECT_EQ(c.Draw(QStringLiteral("&#abc;x")).PlainText, "&#abc;x");
}

TEST(KitMiniHTMLEngineTest, EmojiAreDrawnInColour) {
  TSheet s;
  const auto r = s.Draw(QStringLiteral("x &#128512; y"));
  const QImage image = s.Image();
  EXPECT_EQ(r.LineCount, 1);
  EXPECT_EQ(r.PlainText, "x  y");  // the emoji is a tag, not text
  EXPECT_GT(Colourful(image, QRect(0, 0, r.Width + 2, r.Height + 2)), 20);
  // The emoji moves the text after it on by one text line height.
  TSheet t;
  const auto plain = t.Draw(QStringLiteral("x  y"));
  EXPECT_EQ(r.Width, plain.Width + t.Canvas()->TextHeight(QStringLiteral("gh")));
  // Hidden, it takes its place but shows nothing.
  TSheet h;
  h.Draw(QStringLiteral("<Z>&#128512;</Z>"));
  EXPECT_EQ(Colourful(h.Image(), QRect(0, 0, 60, 30)), 0);
}

TEST(KitMiniHTMLEngineTest, LineBreaksFollowTheKeepFlag) {
  TRestoreUnit restore;
  TSheet s;
  SetHtmlKeepLineBreaks(true);
  EXPECT_EQ(s.Draw(QStringLiteral("a\r\nb")).LineCount, 2);
  SetHtmlKeepLineBreaks(false);
  const auto r = s.Draw(QStringLiteral("a\r\nb"));
  EXPECT_EQ(r.LineCount, 1);
  EXPECT_EQ(r.PlainText, "a b");
  // A no-break space is a plain blank and wraps.
  TSheet n(60, 60);
  EXPECT_EQ(n.Draw(QStringLiteral("aaaaa&nbsp;bbbbb")).LineCount, 2);
}

TEST(KitMiniHTMLEngineTest, FontColoursAndHighlight) {
  TRestoreUnit restore;
  struct C {
    const char* Markup;
    QRgb Colour;
    bool Present;
  } cases[] = {
      {"<FONT COLOR=\"clRed\">MMM</FONT>", qRgb(255, 0, 0), true},
      {"<FONT COLOR=\"red\">MMM</FONT>", qRgb(255, 0, 0), true},
      {"<FONT COLOR=\"#00FF00\">MMM</FONT>", qRgb(0, 255, 0), true},
      {"<FONT COLOR=\"ZZZ\">MMM</FONT>", qRgb(0, 0, 0), true},  // unknown: black
      {"<FONT COLOR=\"ZZZ\">MMM</FONT>", qRgb(255, 0, 0), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Markup);
    TSheet s;
    s.Canvas()->Font()->SetColor(0xFF0000);  // blue base
    s.Draw(QString::fromUtf8(c.Markup));
    int n = 0;
    InkOf(s.Image(), c.Colour, &n, 10);
    EXPECT_EQ(n > 10, c.Present);
  }
  // HI: the unit's highlight colours behind and in the text; measured and
  // drawn the same width.
  SetHtmlHighlightColors(0x00FFFF, 0xFF0000);  // yellow background, blue text
  TSheet h;
  TMiniHtmlDrawParams m;
  m.MeasureOnly = true;
  const auto measured = h.Draw(QStringLiteral("ab<HI>cd</HI>ef"), m);
  const auto drawn = h.Draw(QStringLiteral("ab<HI>cd</HI>ef"));
  EXPECT_EQ(measured.Width, drawn.Width);
  int yellow = 0, blue = 0;
  const QRect back = InkOf(h.Image(), qRgb(255, 255, 0), &yellow, 0);
  InkOf(h.Image(), qRgb(0, 0, 255), &blue, 60);
  EXPECT_GT(yellow, 20);
  EXPECT_GT(blue, 5);
  EXPECT_LE(back.right(), 1 + drawn.Width);
  EXPECT_GT(back.left(), 3);  // not behind "ab"
}

TEST(KitMiniHTMLEngineTest, LinksWithAndWithoutUnderline) {
  const QString text = QStringLiteral("go <A HREF=\"x\" TITLE=\"t\">link</A> on");
  // Every link is styled as hovered unless only the hovered one is.
  struct C {
    bool HoverOnly;
    int HoverLink;
    bool Underlined;
  } cases[] = {{false, -1, true}, {true, 1, true}, {true, -1, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.HoverOnly * 10 + c.HoverLink);
    TSheet s;
    TMiniHtmlDrawParams p;
    p.URLColor = 0x00FF00;
    p.HoverOnly = c.HoverOnly;
    p.HoverLink = c.HoverLink;
    const auto r = s.Draw(text, p);
    EXPECT_EQ(r.LinkCount, 1);
    const QImage image = s.Image();
    const QRect green = InkOf(image, qRgb(0, 255, 0), nullptr, 10);
    ASSERT_FALSE(green.isEmpty());
    // An underline is a full row of green across the word.
    int longest = 0;
    for (int y = green.top(); y <= green.bottom(); ++y) {
      int run = 0;
      for (int x = green.left(); x <= green.right(); ++x)
        run = (image.pixel(x, y) & 0xFFFFFF) == 0x00FF00 ? run + 1 : 0, longest = std::max(longest, run);
    }
    EXPECT_EQ(longest >= green.width() - 1, c.Underlined);
  }
  // The pointer over the word finds the link; one line below it does not.
  TSheet s;
  TMiniHtmlDrawParams p;
  p.URLColor = 0x00FF00;
  s.Draw(text, p);
  const QRect word = InkOf(s.Image(), qRgb(0, 255, 0), nullptr, 10);
  TMiniHtmlDrawParams hit;
  hit.HitTestOnly = true;
  hit.PointerX = word.center().x();
  hit.PointerY = word.center().y();
  auto r = s.Draw(text, hit);
  EXPECT_TRUE(DrawMiniHtml(s.Canvas(), text, TRect(0, 0, s.Width(), s.Height()), hit, r));
  EXPECT_EQ(r.Anchor, "x");
  EXPECT_EQ(r.AnchorTitle, "t");
  EXPECT_EQ(r.HoverLink, 1);
  EXPECT_LE(r.HoverRect.Left, word.left());
  EXPECT_GE(r.HoverRect.Right, word.right());
  hit.PointerY += r.Height;
  EXPECT_FALSE(DrawMiniHtml(s.Canvas(), text, TRect(0, 0, s.Width(), s.Height()), hit, r));
  EXPECT_EQ(r.Anchor, "");
}

// Form controls: themed through the theme functions, else frame controls,
// each compared with the platform part drawn directly in the same box.
TEST(KitMiniHTMLEngineTest, FormControlsAsThePlatformDrawsThem) {
  TRestoreUnit restore;
  const QString check = QStringLiteral("<CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"%1\" WIDTH=\"20\">");
  const QString radio = QStringLiteral("<CONTROL TYPE=\"RADIO\" ID=\"r\" VALUE=\"%1\" WIDTH=\"20\">");
  struct C {
    QString Markup;
    bool Themed;
    int Part;      // theme part, or frame-control state
    int State;
    RECT Box;      // line bottom 16, x 1
  } cases[] = {
      {check.arg("true"), true, BP_CHECKBOX, CBS_CHECKEDNORMAL, {3, 1, 16, 16}},
      {check.arg("no"), true, BP_CHECKBOX, CBS_UNCHECKEDNORMAL, {3, 1, 16, 16}},
      {radio.arg("TRUE"), true, BP_RADIOBUTTON, RBS_CHECKEDNORMAL, {3, 2, 15, 16}},
      {check.arg("TRUE"), false, 0, DFCS_FLAT | DFCS_CHECKED, {3, 1, 16, 16}},
      {check.arg("x"), false, 0, DFCS_FLAT, {3, 1, 16, 16}},
      {radio.arg("x"), false, 0, DFCS_BUTTONRADIO | DFCS_FLAT, {3, 2, 15, 16}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Markup.toStdString() + (c.Themed ? " themed" : " classic"));
    SetThemeActive(c.Themed);
    TSheet s(60, 30), ref(60, 30);
    const auto r = s.Draw(c.Markup);
    EXPECT_EQ(r.Height, 16);
    HDC dc = ref.Canvas()->Handle();
    RECT box = c.Box;
    if (c.Themed) {
      HTHEME theme = OpenThemeData(nullptr, u"button");
      ASSERT_NE(theme, nullptr);
      DrawThemeBackground(theme, dc, c.Part, c.State, &box, nullptr);
      CloseThemeData(theme);
    } else {
      DrawFrameControl(dc, &box, DFC_BUTTON, c.State);
    }
    EXPECT_EQ(s.Image(), ref.Image());
  }
  // Checked and unchecked differ.
  SetThemeActive(true);
  TSheet on(60, 30), off(60, 30);
  on.Draw(check.arg("TRUE"));
  off.Draw(check.arg("FALSE"));
  EXPECT_NE(on.Image(), off.Image());
  // An edit box: grey border without themes, its value inside; a password
  // shows stars.
  for (const bool themed : {true, false}) {
    SetThemeActive(themed);
    TSheet e(120, 40);
    const auto r = e.Draw(QStringLiteral("<CONTROL TYPE=\"EDIT\" ID=\"e\" VALUE=\"Hi\" WIDTH=\"80\">"));
    const QRgb border = themed ? qRgb(0x7F, 0x9D, 0xB9) : qRgb(0x80, 0x80, 0x80);
    int n = 0;
    const QRect frame = InkOf(e.Image(), border, &n, 0);
    EXPECT_GT(n, 150);
    EXPECT_EQ(frame.left(), 1);
    EXPECT_EQ(frame.width(), 80);
    int black = 0;
    InkOf(e.Image(), qRgb(0, 0, 0), &black, 60);
    EXPECT_GT(black, 5);  // "Hi"
    EXPECT_GE(r.Height, 23);
  }
  // The control under the pointer is reported, with its box and value.
  TSheet h(200, 40);
  TMiniHtmlDrawParams p;
  p.PointerX = 30;
  p.PointerY = 15;
  p.HitTestOnly = true;
  auto r = h.Draw(QStringLiteral("<CONTROL TYPE=\"EDIT\" ID=\"e\" VALUE=\"v\" WIDTH=\"80\">"), p);
  TMiniHtmlDrawResult out;
  EXPECT_TRUE(DrawMiniHtml(h.Canvas(), QStringLiteral("<CONTROL TYPE=\"EDIT\" ID=\"e\" VALUE=\"v\" WIDTH=\"80\">"),
                           TRect(0, 0, 200, 40), p, out));
  EXPECT_EQ(out.Anchor, "ctrl");
  EXPECT_EQ(out.ControlID, "e");
  EXPECT_EQ(out.ControlValue, "v");
  EXPECT_EQ(out.ControlType, "EDIT");
  EXPECT_EQ(out.ControlRect.Left, 1);
  EXPECT_EQ(out.ControlRect.Width(), 80);
  (void)r;
}

TEST(KitMiniHTMLEngineTest, EllipsisShadowErrorMarkAndRotation) {
  // Without word wrap the line is cut at the right edge with an ellipsis,
  // and nothing is drawn beyond it.
  TSheet cut(200, 30);
  const QString longText = QStringLiteral("abcdefghijklmnopqrstuvwxyz <B>abcdefghijklmnopqrstuvwxyz</B> more");
  TMiniHtmlDrawParams nowrap = NoWrap();
  const auto r = cut.Draw(longText, nowrap, TRect(0, 0, 100, 30));
  EXPECT_EQ(r.LineCount, 1);
  EXPECT_LE(Ink(cut.Image()).right(), 99);
  const QImage expected = [] {
    TSheet ref(200, 30);
    HDC dc = ref.Canvas()->Handle();
    SelectObject(dc, ref.Canvas()->Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    QString t = QStringLiteral("abcdefghijklmnopqrstuvwxyz ");
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    RECT box{1, 0, 100, tm.tmHeight};
    DrawTextExW(dc, reinterpret_cast<LPWSTR>(t.data()), int(t.size()), &box,
                DT_SINGLELINE | DT_BOTTOM | DT_EXPANDTABS | DT_EXTERNALLEADING | DT_END_ELLIPSIS, nullptr);
    return ref.Image();
  }();
  EXPECT_EQ(cut.Image(), expected);

  // A shadow in the shadow colour, offset right and down.
  TSheet sh;
  TMiniHtmlDrawParams p;
  p.ShadowColor = 0x0000FF;
  p.ShadowOffset = 3;
  sh.Draw(QStringLiteral("<SHAD>MMM</SHAD>"), p);
  const QRect red = InkOf(sh.Image(), qRgb(255, 0, 0), nullptr, 10);
  const QRect black = InkOf(sh.Image(), qRgb(0, 0, 0), nullptr, 10);
  ASSERT_FALSE(red.isEmpty());
  EXPECT_EQ(red.right() - black.right(), 3);
  EXPECT_EQ(red.bottom() - black.bottom(), 3);

  // An error mark: a red zigzag under the marked word only, two rows deep.
  TSheet e;
  const auto er = e.Draw(QStringLiteral("ok <E>wrong</E> ok"));
  int n = 0;
  const QRect zig = InkOf(e.Image(), qRgb(255, 0, 0), &n, 0);
  ASSERT_FALSE(zig.isEmpty());
  EXPECT_EQ(zig.height(), 3);
  EXPECT_EQ(zig.top(), er.Height - 1);
  EXPECT_GT(zig.left(), 10);
  EXPECT_LT(zig.right(), er.Width - 10);

  // Rotated text: an upright column for 90 degrees, reading upwards from
  // the run's place; the text after "</R>" is level again.
  TSheet rot(200, 200);
  // (Each run turns about its own place: one run here.)
  rot.Draw(QStringLiteral("<R A=\"90\">rotated_text</R>"), NoWrap(), TRect(50, 120, 200, 200));
  const QRect ink = Ink(rot.Image());
  EXPECT_GT(ink.height(), 3 * ink.width());
  EXPECT_GE(ink.left(), 50);
  EXPECT_LT(ink.top(), 120);
  TSheet level(200, 200);
  level.Draw(QStringLiteral("<R A=\"90\"></R>level text"), {}, TRect(50, 120, 200, 200));
  const QRect flat = Ink(level.Image());
  EXPECT_GT(flat.width(), 3 * flat.height());
}

TEST(KitMiniHTMLEngineTest, RightToLeftLines) {
  TRestoreUnit restore;
  SysLocale.MiddleEast = true;
  TMiniHtmlDrawParams p;
  p.BiDiMode = bdRightToLeft;
  p.URLColor = 0x00FF00;
  TSheet s(300, 60);
  const auto r = s.Draw(QStringLiteral("<A HREF=\"x\">first</A> second"), p);
  const QRect all = Ink(s.Image());
  const QRect link = InkOf(s.Image(), qRgb(0, 255, 0), nullptr, 10);
  // The line sits at the right edge, and its first run is its rightmost.
  EXPECT_GE(all.right(), 300 - 4);
  EXPECT_GT(all.left(), 300 - r.Width - 3);
  EXPECT_GE(link.right(), 300 - 4);
  EXPECT_LT(InkOf(s.Image(), qRgb(0, 0, 0), nullptr, 60).right(), link.left());
  // The hit test finds the link where it is drawn.
  TMiniHtmlDrawParams hit = p;
  hit.HitTestOnly = true;
  hit.PointerX = link.center().x();
  hit.PointerY = link.center().y();
  TMiniHtmlDrawResult out;
  EXPECT_TRUE(DrawMiniHtml(s.Canvas(), QStringLiteral("<A HREF=\"x\">first</A> second"), TRect(0, 0, 300, 60), hit,
                           out));
  EXPECT_EQ(out.Anchor, "x");
  // Hebrew reads right to left within its run.
  TSheet h(300, 60);
  const auto hr = h.Draw(QString::fromUtf8("שלום עולם"), p);
  EXPECT_EQ(hr.LineCount, 1);
  EXPECT_GE(Ink(h.Image()).right(), 300 - 4);
  // Left to right, or a locale that reads left to right: from the left.
  SysLocale.MiddleEast = false;
  TSheet l(300, 60);
  l.Draw(QStringLiteral("<A HREF=\"x\">first</A> second"), p);
  EXPECT_LE(Ink(l.Image()).left(), 3);
}

TEST(KitMiniHTMLEngineTest, ShellIconsAndImageLists) {
  TSheet s(200, 60);
  const auto small = s.Draw(QStringLiteral("a<IMG SRC=\"SSYS:3\">b"));
  const auto plain = s.Draw(QStringLiteral("ab"));
  EXPECT_EQ(small.Width, plain.Width + 16 + 2);
  EXPECT_GE(small.Height, 16);
  TSheet l(200, 60);
  const auto large = l.Draw(QStringLiteral("<IMG SRC=\"LSYS:/tmp\">"));
  EXPECT_EQ(large.Width, 32 + 2);
  EXPECT_GT(Ink(l.Image()).width(), 16);
  TSheet none(200, 60);
  EXPECT_EQ(none.Draw(QStringLiteral("a<IMG SRC=\"SSYS:99\">b")).Width, plain.Width);
  TSize size;
  DrawShellIcon(nullptr, 0, 0, size, 1, false, false, false, QStringLiteral("/no/such/file.txt"));
  EXPECT_EQ(size, TSize(16, 16));  // the file type's icon
  DrawShellIcon(nullptr, 0, 0, size, 2, true, false, true, QStringLiteral("3"));
  EXPECT_EQ(size, TSize(64, 64));  // printed: times the print factor

  // Image list entries: drawn at their size; beyond the list no space.
  TCustomImageList list(nullptr, 10, 10);
  TBitmap red;
  red.SetPixelFormat(pf32bit);
  red.SetSize(20, 10);
  red.Canvas()->Brush()->SetColor(0x0000FF);
  red.Canvas()->FillRect(TRect(0, 0, 20, 10));
  list.Add(&red, nullptr);
  TMiniHtmlDrawParams p;
  p.ImageList = &list;
  TSheet i(200, 60);
  const auto r = i.Draw(QStringLiteral("<IMG SRC=\"IDX:1\"><IMG SRC=\"IDX:2\">"), p);
  EXPECT_EQ(r.Width, 12);
  int n = 0;
  const QRect box = InkOf(i.Image(), qRgb(255, 0, 0), &n, 0);
  EXPECT_EQ(n, 100);
  EXPECT_EQ(box, QRect(1, 0, 10, 10));
}

TEST(KitMiniHTMLEngineTest, CanvasStateComesBack) {
  TSheet s;
  TCanvas* c = s.Canvas();
  c->Brush()->SetColor(0x123456);
  c->Pen()->SetColor(0x654321);
  HDC dc = c->Handle();
  c->Rectangle(0, 0, 1, 1);  // selects pen and brush
  const HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT), pen = GetCurrentObject(dc, OBJ_PEN),
                brush = GetCurrentObject(dc, OBJ_BRUSH);
  const int mode = GetBkMode(dc);
  const COLORREF text = GetTextColor(dc);
  RECT clip{};
  GetClipBox(dc, &clip);
  s.Draw(QStringLiteral("<BODY BACKGROUND=\"x\"><FONT SIZE=\"20\" COLOR=\"red\" BGCOLOR=\"#00FF00\"><U>a</U></FONT>"
                        "<SHAD>b</SHAD><E>c</E><HR><HI>d</HI><A HREF=\"u\">e</A>"
                        "<CONTROL TYPE=\"BUTTON\" ID=\"b\" VALUE=\"OK\" WIDTH=\"40\">"));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
  EXPECT_EQ(GetBkMode(dc), mode);
  EXPECT_EQ(GetTextColor(dc), text);
  RECT after{};
  GetClipBox(dc, &after);
  EXPECT_EQ(after.right, clip.right);
  EXPECT_EQ(c->Brush()->Color(), 0x123456);
  EXPECT_EQ(c->Font()->Size(), 9);
}

// ---------------------------------------------------------------------------
// Measuring agrees with drawing

TEST(KitMiniHTMLEngineTest, MeasuredRectangleHoldsTheDrawingAndLinksAreHitWhereDrawn) {
  const char* texts[] = {
      "plain text",
      "<b>bold</b> and <i>italic</i> and <u>under</u>",
      "<FONT COLOR=\"#808080\" SIZE=\"5\">large</FONT> small",
      "<A HREF=\"one\">first link</A> between <A HREF=\"two\">second</A>",
      "a<BR>b<BR><B>ccccccc</B>",
      "<P ALIGN=\"CENTER\">centred <A HREF=\"c\">line</A></P>left",
      "<UL><LI>one<LI>two <A HREF=\"li\">link</A></UL>",
      "<OL><LI>first<LI>second</OL>",
      "x<SUB>sub</SUB> y<SUP>sup</SUP>",
      "word word word word word word word <A HREF=\"w\">wrapped link</A> word word",
      "<FONT FACE=\"Liberation Serif\" SIZE=\"4\">serif</FONT> &amp; &eacute; &#65;",
      "<S>struck</S> <STRIKE>also</STRIKE> <SHAD>shadow</SHAD>",
      "<IND X=\"40\">indented <A HREF=\"ind\">link</A>",
      "emoji &#128512; here",
  };
  for (const char* text : texts) {
    for (const bool wrap : {true, false}) {
      SCOPED_TRACE(std::string(text) + (wrap ? " wrap" : " nowrap"));
      const QString markup = QString::fromUtf8(text);
      // Measured in a rectangle 200 pixels wide ...
      const TRect wide(10, 5, 210, 400);
      TSheet scratch(400, 420);
      TMiniHtmlDrawParams m;
      m.MeasureOnly = true;
      m.WordWrap = wrap;
      const auto measured = scratch.Draw(markup, m, wide);
      // ... and drawn in that width and the measured height: the same lines,
      // and every pixel inside. Left-aligned lines also keep within the
      // measured width (lines start one pixel in, and a run ends before the
      // right edge, hence the 2).
      const TRect fitted(wide.Left, wide.Top, wide.Right, wide.Top + measured.Height);
      TSheet small(400, 420);
      TMiniHtmlDrawParams d;
      d.WordWrap = wrap;
      d.URLColor = 0x00FF00;
      const auto drawn = small.Draw(markup, d, fitted);
      EXPECT_EQ(drawn.Width, measured.Width);
      EXPECT_EQ(drawn.Height, measured.Height);
      EXPECT_EQ(drawn.LineCount, measured.LineCount);
      EXPECT_EQ(drawn.PlainText, measured.PlainText);
      const bool aligned = markup.contains(QLatin1String("ALIGN"));
      const QRect box(wide.Left, wide.Top, aligned ? wide.Width() : measured.Width + 2, measured.Height);
      const QRect ink = Ink(small.Image());
      EXPECT_TRUE(box.contains(ink)) << "ink " << ink.x() << "," << ink.y() << " " << ink.width() << "x"
                                     << ink.height() << " in " << box.width() << "x" << box.height();
      // Without word wrap a line wider than the rectangle is cut off with an
      // ellipsis; the rest of the checks need what fits.
      const bool cut = !wrap && measured.Width + 2 > wide.Width();
      if (cut) {
        EXPECT_EQ(measured.LineCount, 1);
        EXPECT_LE(ink.right(), wide.Right - 1);
        continue;
      }
      // A single line, drawn in exactly the measured size, is drawn whole
      // (no ellipsis, nothing cut).
      if (measured.LineCount == 1 && !aligned) {
        TSheet exact(400, 420);
        exact.Draw(markup, d, TRect(wide.Left, wide.Top, wide.Left + measured.Width + 2, wide.Top + measured.Height));
        EXPECT_EQ(exact.Image(), small.Image());
      }
      // Each link, found by its colour, is hit where it is drawn.
      if (drawn.LinkCount == 0) continue;
      const QImage image = small.Image();
      const QRect links = InkOf(image, qRgb(0, 255, 0), nullptr, 10);
      ASSERT_FALSE(links.isEmpty());
      int tried = 0, found = 0;
      for (int y = links.top(); y <= links.bottom(); ++y)
        for (int x = links.left(); x <= links.right(); x += 3) {
          if ((image.pixel(x, y) & 0xFFFFFF) != 0x00FF00) continue;
          TMiniHtmlDrawParams h;
          h.WordWrap = wrap;
          h.HitTestOnly = true;
          h.PointerX = x;
          h.PointerY = y;
          TMiniHtmlDrawResult r;
          ++tried;
          if (DrawMiniHtml(small.Canvas(), markup, fitted, h, r) && !r.Anchor.isEmpty()) ++found;
        }
      EXPECT_EQ(found, tried);
    }
  }
}

// Plain text is measured without the layout's machinery; the results are
// those of the layout (which an empty tag in front of the text makes run).
TEST(KitMiniHTMLEngineTest, PlainTextMeasuresAsTheLayoutDoes) {
  QRandomGenerator rng(11);
  const QString alphabet = QStringLiteral("aaaabcdefghijklmnopqrstuvwxyzWM      .,0123456789éß");
  QStringList texts = {QStringLiteral(" "), QStringLiteral("   "), QStringLiteral("a"),
                       QStringLiteral(" a b "), QStringLiteral("averyveryverylongwordthatoverflows short"),
                       QStringLiteral("short averyveryverylongwordthatoverflows"), QStringLiteral("a  b   c    d")};
  for (int n = 0; n < 300; ++n) {
    QString t;
    const int len = 1 + int(rng.bounded(80));
    for (int i = 0; i < len; ++i) t += alphabet.at(rng.bounded(int(alphabet.size())));
    texts << t;
  }
  TSheet s(400, 100);
  // An empty text: no line, one text line high.
  TMiniHtmlDrawParams m;
  m.MeasureOnly = true;
  const auto empty = s.Draw(QString(), m);
  EXPECT_EQ(empty.LineCount, 0);
  EXPECT_EQ(empty.Height, s.Canvas()->TextHeight(QStringLiteral("gh")));
  EXPECT_EQ(empty.Width, 0);
  for (const QString& t : texts) {
    for (const int width : {1, 30, 80, 200}) {
      for (const bool wrap : {true, false}) {
        SCOPED_TRACE(QStringLiteral("[%1] %2 %3").arg(t).arg(width).arg(wrap).toStdString());
        TMiniHtmlDrawParams p;
        p.MeasureOnly = true;
        p.WordWrap = wrap;
        const auto fast = s.Draw(t, p, TRect(5, 5, 5 + width, 90));
        const auto layout = s.Draw(QStringLiteral("<Z></Z>") + t, p, TRect(5, 5, 5 + width, 90));
        EXPECT_EQ(fast.Width, layout.Width);
        EXPECT_EQ(fast.Height, layout.Height);
        EXPECT_EQ(fast.LineCount, layout.LineCount);
        EXPECT_EQ(fast.PlainText, layout.PlainText);
      }
    }
  }
}

// ---------------------------------------------------------------------------
// Hostile markup

long PeakKilobytes() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

TEST(KitMiniHTMLEngineTest, HostileMarkupDrawsAndMeasuresInBoundedTimeAndMemory) {
  QStringList texts;
  QString nested;
  for (int i = 0; i < 20000; ++i) nested += QStringLiteral("<B><FONT SIZE=\"5\" COLOR=\"red\"><A HREF=\"h\"><I><U>");
  texts << nested + QStringLiteral("deep");
  QString closing;
  for (int i = 0; i < 20000; ++i) closing += QStringLiteral("</B></FONT></A></UL></OL></P>");
  texts << closing;
  texts << QStringLiteral("&amp") << QStringLiteral("&") << QStringLiteral("&#") << QStringLiteral("&#x")
        << QStringLiteral("&#12345678901234567890;") << QStringLiteral("&eacut") << QString(50000, u'&')
        << QStringLiteral("&AMP;").repeated(20000) << QStringLiteral("&amp;AMP;AMP;AMP;AMP;")
        << QStringLiteral("<#").repeated(20000) << QStringLiteral("&#65;").repeated(20000)
        << QStringLiteral("&#128512;").repeated(2000);
  texts << QStringLiteral("<FONT SIZE=\"99999999\">huge</FONT>")
        << QStringLiteral("<FONT STYLE=\"font-size:99999999pt\">huge</FONT>")
        << QStringLiteral("<IMG SRC=\"SSYS:3\" WIDTH=\"99999999\" HEIGHT=\"99999999\">")
        << QStringLiteral("<CONTROL TYPE=\"BUTTON\" ID=\"b\" WIDTH=\"99999999\" HEIGHT=\"99999999\" VALUE=\"x\">")
        << QStringLiteral("<IND X=\"99999999\">x") << QStringLiteral("<P INDENT=\"99999999\">x")
        << QStringLiteral("<R A=\"99999999\">x</R>") << QStringLiteral("<P LINE-HEIGHT=\"1e300\">x")
        << QStringLiteral("<BODY FONT-SIZE:99999999PT;>x") << QString(100000, u'x')
        << QStringLiteral("word ").repeated(20000);
  QRandomGenerator rng(7);
  for (int n = 0; n < 200; ++n) {
    QString t;
    const int len = int(rng.bounded(400));
    for (int i = 0; i < len; ++i) t += QChar(char16_t(rng.bounded(0x10000)));
    texts << t;
  }
  const QString alphabet = QStringLiteral("<>/&#;\"= abBfFiIuUlLsSpPzZjJrRcCxX0123456789");
  for (int n = 0; n < 300; ++n) {
    QString t;
    const int len = int(rng.bounded(120));
    for (int i = 0; i < len; ++i) t += alphabet.at(rng.bounded(int(alphabet.size())));
    texts << t;
  }
  // Random text asks the fonts for scripts they lack; Qt says so each time.
  const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  const long before = PeakKilobytes();
  QElapsedTimer timer;
  timer.start();
  TSheet s(400, 300);
  for (const QString& t : texts) {
    for (const bool measure : {true, false}) {
      TMiniHtmlDrawParams p;
      p.MeasureOnly = measure;
      p.PointerX = 20;
      p.PointerY = 10;
      TMiniHtmlDrawResult r;
      DrawMiniHtml(s.Canvas(), t, TRect(0, 0, 400, 300), p, r);
      EXPECT_GE(r.Height, 1);
    }
  }
  qInstallMessageHandler(previous);
  EXPECT_LT(timer.elapsed(), 60000);
  EXPECT_LT(PeakKilobytes() - before, 256 * 1024);
}

}  // namespace
