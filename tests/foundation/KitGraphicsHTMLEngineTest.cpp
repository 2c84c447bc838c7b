// The drawing facade's mini-HTML engine on both back-ends: measuring, links,
// highlight, pictures, line offsets, controls, entities, trailing blanks,
// measuring against drawing, hostile markup, and search marks. The font is
// pinned; the tests assert line counts, hits, colours and relations, not
// font metrics.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include "foundation/KitGraphics.h"
#include "foundation/KitGraphicsHTMLEngine.h"
#include "foundation/KitMiniHTMLEngine.h"
#include "platform/vcl/ImgList.h"
#include "tests/foundation/MiniHtmlPictureDump.h"
#include "tests/support/TestSupport.h"

namespace {

// A facade on a white bitmap with the pinned font, on one back-end.
class TFacadeSheet {
 public:
  TFacadeSheet(bool ANative, int W = 320, int H = 120)
      : FGraphics(TKitGraphics::CreateBitmapCanvas(W, H, ANative, false)), FWidth(W), FHeight(H) {
    TKitGraphicsFont font;
    font.SetName(QStringLiteral("DejaVu Sans"));
    font.SetSize(9);
    font.SetColor(0);
    FGraphics->SetFont(&font);
  }
  ~TFacadeSheet() {
    if (FDrawn) minihtmlpictures::Keep(Image());
  }
  TKitGraphics* G() { return FGraphics.get(); }
  QImage Image() { return FGraphics->Bitmap()->ToImage().convertToFormat(QImage::Format_RGB32); }
  TGraphicsHtmlResult Draw(const QString& AText, TGraphicsHtmlParams AParams = {}, TRectF ARect = TRectF()) {
    if (ARect.Width() <= 0) ARect = TRectF(0, 0, float(FWidth), float(FHeight));
    TGraphicsHtmlResult r;
    DrawGraphicsHtml(G(), AText, ARect, AParams, r);
    FDrawn = FDrawn || !AParams.MeasureOnly;
    return r;
  }
  TGraphicsHtmlResult Measure(const QString& AText, TGraphicsHtmlParams AParams = {}) {
    AParams.MeasureOnly = true;
    return Draw(AText, AParams);
  }

 private:
  std::unique_ptr<TKitGraphics> FGraphics;
  int FWidth, FHeight;
  bool FDrawn = false;
};

QRect Ink(const QImage& AImage) {
  QRect box;
  for (int y = 0; y < AImage.height(); ++y)
    for (int x = 0; x < AImage.width(); ++x)
      if ((AImage.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) box |= QRect(x, y, 1, 1);
  return box;
}

QRect InkOf(const QImage& AImage, QRgb AColor, int ATolerance, int* ACount = nullptr) {
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

// The longest run of pixels close to a colour in one row of an area.
int LongestRow(const QImage& AImage, const QRect& AArea, QRgb AColor, int ATolerance) {
  int longest = 0;
  for (int y = AArea.top(); y <= AArea.bottom(); ++y) {
    int run = 0;
    for (int x = AArea.left(); x <= AArea.right(); ++x) {
      const QRgb p = AImage.pixel(x, y);
      const bool near = std::abs(qRed(p) - qRed(AColor)) <= ATolerance &&
                        std::abs(qGreen(p) - qGreen(AColor)) <= ATolerance &&
                        std::abs(qBlue(p) - qBlue(AColor)) <= ATolerance;
      run = near ? run + 1 : 0;
      longest = std::max(longest, run);
    }
  }
  return longest;
}

QByteArray PngOf(const QImage& AImage) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  AImage.save(&buffer, "PNG");
  return bytes;
}

// A 16 x 8 picture: red on the left half, blue on the right.
QImage TwoColours() {
  QImage image(16, 8, QImage::Format_RGB32);
  image.fill(qRgb(0, 0, 255));
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) image.setPixel(x, y, qRgb(255, 0, 0));
  return image;
}

// Pictures of a container, for a facade whose container is any non-null
// pointer: "logo" is the two-colour picture.
class TTestPictures : public TMiniHtmlPictures {
 public:
  TTestPictures() {
    TBitmap bitmap;
    bitmap.AssignImage(TwoColours());
    FLogo.SetGraphic(&bitmap);
    FPrevious = MiniHtmlPictures();
    SetMiniHtmlPictures(this);
  }
  ~TTestPictures() override { SetMiniHtmlPictures(FPrevious); }
  TGraphic* ContainerPicture(TPictureContainer*, const QString& AName) override {
    return AName.compare(QLatin1String("logo"), Qt::CaseInsensitive) == 0 ? FLogo.Graphic() : nullptr;
  }
  TPicture* ContainerBitmap(TPictureContainer*, const QString& AName) override {
    return AName.compare(QLatin1String("logo"), Qt::CaseInsensitive) == 0 ? &FLogo : nullptr;
  }
  TGraphic* CachePicture(THTMLPictureCache*, const QString&) override { return nullptr; }
  bool Details(TGraphic*, TMiniHtmlPictureDetails&) override { return false; }
  void SetStretch(TGraphic*, bool) override {}

 private:
  TPicture FLogo;
  TMiniHtmlPictures* FPrevious = nullptr;
};

class KitGraphicsHTMLEngineTest : public ::testing::TestWithParam<bool> {};

TEST_P(KitGraphicsHTMLEngineTest, MeasuresLinesWidthPlusTwoAndHeights) {
  TFacadeSheet s(GetParam());
  const auto a = s.Measure(QStringLiteral("a")), b = s.Measure(QStringLiteral("bbbb"));
  const auto r = s.Measure(QStringLiteral("a<BR>bbbb"));
  EXPECT_EQ(r.LineCount, 2);
  EXPECT_EQ(r.Width, std::max(a.Width, b.Width));  // the widest line, plus 2 in both
  EXPECT_EQ(r.Width, b.Width);
  EXPECT_GT(b.Width, a.Width);
  EXPECT_EQ(r.Height, 2 * a.Height);
  EXPECT_EQ(r.PlainText, "a\rbbbb");
  // Line spacing adds to every line.
  TGraphicsHtmlParams p;
  p.LineSpacing = 3;
  EXPECT_EQ(s.Measure(QStringLiteral("a<BR>b"), p).Height, 2 * a.Height + 6);
  // An empty text: no width.
  EXPECT_EQ(s.Measure(QString()).Width, 0);
}

TEST_P(KitGraphicsHTMLEngineTest, LinksWithAndWithoutUnderline) {
  for (const bool underline : {true, false}) {
    SCOPED_TRACE(underline);
    TFacadeSheet s(GetParam());
    TGraphicsHtmlParams p;
    p.URLColor = 0x00C000;
    p.URLUnderline = underline;
    const auto r = s.Draw(QStringLiteral("x <A HREF=\"target\">gogogo</A> y"), p);
    EXPECT_EQ(r.LinkCount, 1);
    const QImage image = s.Image();
    const QRect link = InkOf(image, qRgb(0, 0xC0, 0), 60);
    ASSERT_FALSE(link.isEmpty());
    EXPECT_EQ(LongestRow(image, link, qRgb(0, 0xC0, 0), 60) >= link.width() - 2, underline);
    // The link is hit where it is drawn.
    TGraphicsHtmlParams h = p;
    h.HitTestOnly = true;
    h.PointerX = link.center().x();
    h.PointerY = link.center().y();
    TGraphicsHtmlResult hit;
    EXPECT_TRUE(DrawGraphicsHtml(s.G(), QStringLiteral("x <A HREF=\"target\">gogogo</A> y"), TRectF(0, 0, 320, 120),
                                 h, hit));
    EXPECT_EQ(hit.Anchor, "target");
  }
}

TEST_P(KitGraphicsHTMLEngineTest, TrailingBlankKeepsItsExtentAndUnderline) {
  TFacadeSheet s(GetParam());
  TGraphicsHtmlParams p;
  p.URLColor = 0x00C000;
  p.WordWrap = true;
  // "go " ends with a blank inside the link: the blank keeps its width (the
  // next word starts after it) and is underlined.
  const auto linked = s.Measure(QStringLiteral("<A HREF=\"x\">go </A>next"), p);
  const auto plain = s.Measure(QStringLiteral("<B></B>go next"), p);
  EXPECT_EQ(linked.Width, plain.Width);
  s.Draw(QStringLiteral("<A HREF=\"x\">go </A>next"), p);
  const QImage image = s.Image();
  const QRect green = InkOf(image, qRgb(0, 0xC0, 0), 60);
  const QRect black = InkOf(image, qRgb(0, 0, 0), 60);
  ASSERT_FALSE(green.isEmpty());
  // The underline reaches across the blank to just before "next" (whose
  // first letter may stand a pixel off its start).
  EXPECT_GE(green.right(), black.left() - 3);
  EXPECT_GE(LongestRow(image, green, qRgb(0, 0xC0, 0), 60), green.width() - 2);
  // Between the letters of "go" and "next" only the underline is drawn: no
  // glyph of a control character.
  const QRect letters = InkOf(image, qRgb(0, 0xC0, 0), 60).adjusted(0, 0, 0, -3);
  int gap = 0;
  for (int y = letters.top(); y <= letters.bottom(); ++y)
    for (int x = green.right() - 2; x < black.left(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) ++gap;
  EXPECT_EQ(gap, 0);
}

TEST_P(KitGraphicsHTMLEngineTest, HighlightInBothPasses) {
  TFacadeSheet s(GetParam());
  TGraphicsHtmlParams p;
  p.HighlightColor = 0x00FFFF;      // yellow
  p.HighlightTextColor = 0xFF0000;  // blue
  p.HighlightFontStyles = TFontStyles{fsBold};
  const QString text = QStringLiteral("ab<HI>cd</HI>ef");
  const auto measured = s.Measure(text, p);
  const auto drawn = s.Draw(text, p);
  EXPECT_EQ(measured.Width, drawn.Width);
  // Bold in both passes: as wide as the bold text.
  EXPECT_EQ(measured.Width, s.Measure(QStringLiteral("ab<B>cd</B>ef")).Width);
  EXPECT_GT(measured.Width, s.Measure(QStringLiteral("ab<I></I>cdef")).Width);
  int yellow = 0, blue = 0;
  InkOf(s.Image(), qRgb(255, 255, 0), 10, &yellow);
  InkOf(s.Image(), qRgb(0, 0, 255), 90, &blue);
  EXPECT_GT(yellow, 20);
  EXPECT_GT(blue, 5);
}

TEST_P(KitGraphicsHTMLEngineTest, PicturesFromDataFilesTheContainerAndImageLists) {
  TTestPictures pictures;
  const QString base64 = QString::fromLatin1(PngOf(TwoColours()).toBase64());
  testsupport::TempDir dir;
  const QString file = dir.File(QStringLiteral("Two.png"));
  ASSERT_TRUE(TwoColours().save(file));
  TCustomImageList list(nullptr, 10, 10);
  {
    TBitmap red;
    red.SetPixelFormat(pf32bit);
    red.SetSize(10, 10);
    red.Canvas()->Brush()->SetColor(0x0000FF);
    red.Canvas()->FillRect(TRect(0, 0, 10, 10));
    list.Add(&red, nullptr);
  }
  struct C {
    QString Markup;
    int ExtraWidth;  // beyond "ab"
    bool Red;
  } cases[] = {
      {QStringLiteral("a<IMG SRC=\"data:image/png;base64,%1\">b").arg(base64), 16 + 2, true},
      {QStringLiteral("a<IMG SRC=\"DATA:image/png;BASE64,%1\" WIDTH=\"32\">b").arg(base64), 32 + 2, true},
      {QStringLiteral("a<IMG SRC=\"file://%1\">b").arg(file), 16 + 2, true},
      {QStringLiteral("a<IMG SRC=\"FILE://%1\">b").arg(dir.File(QStringLiteral("missing.png"))), 0, false},
      {QStringLiteral("a<IMG SRC=\"data:image/png;base64,@@@@\">b"), 0, false},
      {QStringLiteral("a<IMG SRC=\"Logo\">b"), 16 + 2, true},
      {QStringLiteral("a<IMG SRC=\"nothing\">b"), 0, false},
      {QStringLiteral("a<IMG SRC=\"IDX:0\">b"), 10 + 2, true},
      {QStringLiteral("a<IMG SRC=\"IDX:5\">b"), 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Markup.left(60).toStdString());
    TFacadeSheet s(GetParam());
    s.G()->SetPictureContainer(reinterpret_cast<TPictureContainer*>(&pictures));
    s.G()->SetImageList(&list);
    TGraphicsHtmlParams p;
    p.PictureContainer = s.G()->PictureContainer();
    p.ImageList = &list;
    const auto plain = s.Measure(QStringLiteral("ab"), p);
    const auto r = s.Draw(c.Markup, p);
    EXPECT_EQ(r.Width, plain.Width + c.ExtraWidth);
    int red = 0;
    InkOf(s.Image(), qRgb(255, 0, 0), 40, &red);
    EXPECT_EQ(red > 20, c.Red);
  }
}

TEST_P(KitGraphicsHTMLEngineTest, LineOffsetsAcrossLines) {
  TFacadeSheet s(GetParam(), 320, 120);
  const auto r = s.Draw(QStringLiteral("<OF X=\"40\">a<BR>b</OF><BR>c"));
  EXPECT_EQ(r.LineCount, 3);
  const QImage image = s.Image();
  const int lineHeight = int(r.Height) / 3;
  auto lineInk = [&](int line) { return Ink(image.copy(0, line * lineHeight, 320, lineHeight)); };
  EXPECT_GE(lineInk(0).left(), 40);
  EXPECT_GE(lineInk(1).left(), 40);
  EXPECT_LT(lineInk(2).left(), 10);  // from the line after "</OF>" the offset is 0 again
}

TEST_P(KitGraphicsHTMLEngineTest, ControlsAreHitTestedEditsAreNotDrawn) {
  TFacadeSheet s(GetParam(), 200, 60);
  const QString edit = QStringLiteral("<CONTROL TYPE=\"EDIT\" ID=\"e1\" WIDTH=\"80\" VALUE=\"a &amp; b\">");
  const auto m = s.Measure(edit);
  EXPECT_EQ(m.Width, 80 + 2);
  TGraphicsHtmlParams p;
  p.PointerX = 30;
  p.PointerY = 8;
  const auto r = s.Draw(edit, p);
  EXPECT_EQ(r.Anchor, "ctrl");
  EXPECT_EQ(r.ControlID, "e1");
  EXPECT_EQ(r.ControlType, "EDIT");
  EXPECT_EQ(r.ControlValue, "a & b");
  EXPECT_TRUE(Ink(s.Image()).isEmpty());  // laid out and hit, not drawn
  // A check box is the facade's control part: checked differs from not.
  TFacadeSheet on(GetParam(), 60, 30), off(GetParam(), 60, 30);
  on.Draw(QStringLiteral("<CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"true\">"));
  off.Draw(QStringLiteral("<CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"false\">"));
  EXPECT_FALSE(Ink(on.Image()).isEmpty());
  EXPECT_NE(on.Image(), off.Image());
  EXPECT_LE(Ink(on.Image()).right(), 18);  // 16 plus 2
  // A button shows its value.
  TFacadeSheet button(GetParam(), 120, 40);
  button.Draw(QStringLiteral("<CONTROL TYPE=\"BUTTON\" ID=\"b\" WIDTH=\"80\" VALUE=\"OK\">"));
  EXPECT_GT(Ink(button.Image()).width(), 70);
}

TEST_P(KitGraphicsHTMLEngineTest, EntitiesReferencesMarkersAndRightToLeftText) {
  TFacadeSheet s(GetParam());
  struct C {
    const char* Markup;
    const char* Plain;
  } cases[] = {
      {"&eacute;&Eacute; &amp; &lt;b&gt;", "éÉ & <b>"},
      {"&#65;&#x42;&#x1F600;", "AB😀"},
      {"&amp;#65; &#55296; &#abc; &#1114112;", "&#65; &#55296; &#abc; &#1114112;"},  // escaped or invalid: text
      {"<#first> <#second>x", "#first x"},  // only the first marker is unwrapped
      {"a\r\nb", "a\rb"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Markup);
    EXPECT_EQ(s.Measure(QString::fromUtf8(c.Markup)).PlainText, QString::fromUtf8(c.Plain));
  }
  EXPECT_EQ(PrepareGraphicsHtml(QStringLiteral("<#a> <#b>")), "#a <#b>");
  // Right-to-left text reads in its direction within its run and is drawn.
  TFacadeSheet h(GetParam());
  const auto r = h.Draw(QString::fromUtf8("<B>שלום</B> עולם"));
  EXPECT_EQ(r.LineCount, 1);
  EXPECT_FALSE(Ink(h.Image()).isEmpty());
}

TEST_P(KitGraphicsHTMLEngineTest, EmojiAreDrawnInColour) {
  TFacadeSheet s(GetParam());
  const auto r = s.Draw(QStringLiteral("x &#128512;&#x1F680; y</b>"));
  EXPECT_EQ(r.PlainText, QString::fromUtf8("x 😀🚀 y"));
  const QImage image = s.Image();
  int colourful = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      if (std::max({qRed(p), qGreen(p), qBlue(p)}) - std::min({qRed(p), qGreen(p), qBlue(p)}) > 80) ++colourful;
    }
  EXPECT_GT(colourful, 40);
  const auto plain = s.Measure(QStringLiteral("x  y</b>"));
  // The squares the glyphs are drawn in are transparent: the drawing holds
  // hardly more dark pixels than the text without the emoji.
  TFacadeSheet t(GetParam());
  t.Draw(QStringLiteral("x  y</b>"));
  auto dark = [](const QImage& AImage) {
    int n = 0;
    for (int y = 0; y < AImage.height(); ++y)
      for (int x = 0; x < AImage.width(); ++x) n += qGray(AImage.pixel(x, y)) < 60 ? 1 : 0;
    return n;
  };
  EXPECT_LT(dark(image), dark(t.Image()) + 40) << dark(t.Image());
  // Each takes a square one text line high (less the facade's extra unit).
  const auto line = s.Measure(QStringLiteral("x</b>"));
  EXPECT_EQ(r.Width, plain.Width + 2 * (line.Height - 1));
  EXPECT_TRUE(QRect(0, 0, int(r.Width), int(r.Height)).contains(Ink(image)));
}

TEST_P(KitGraphicsHTMLEngineTest, MeasuredRectangleHoldsTheDrawingAndLinksAreHitWhereDrawn) {
  const char* texts[] = {
      "plain text",
      "<b>bold</b> and <i>italic</i> and <u>under</u>",
      "<FONT COLOR=\"#808080\" SIZE=\"5\">large</FONT> small",
      "<A HREF=\"one\">first link</A> between <A HREF=\"two\">second</A>",
      "a<BR>b<BR><B>ccccccc</B>",
      "<UL><LI>one<LI>two <A HREF=\"li\">link</A></UL>",
      "x<SUB>sub</SUB> y<SUP>sup</SUP>",
      "word word word word word word word <A HREF=\"w\">wrapped link</A> word word",
      "<FONT FACE=\"Liberation Serif\" SIZE=\"4\">serif</FONT> &amp; &eacute; &#65;",
      "<S>struck</S> <SHAD>shadow</SHAD>",
      "emoji &#128512; here <A HREF=\"e\">and &#128640; link</A>",
      "<OF X=\"20\">offset</OF> text<BR>next",
  };
  for (const char* text : texts) {
    for (const bool wrap : {true, false}) {
      SCOPED_TRACE(std::string(text) + (wrap ? " wrap" : " nowrap"));
      const QString markup = QString::fromUtf8(text);
      TFacadeSheet s(GetParam(), 400, 300);
      TGraphicsHtmlParams m;
      m.WordWrap = wrap;
      m.URLColor = 0x00C000;
      const TRectF wide(10, 5, 210, 300);
      m.MeasureOnly = true;
      TGraphicsHtmlResult measured;
      DrawGraphicsHtml(s.G(), markup, wide, m, measured);
      // Drawn in that width and the measured height: the same lines, every
      // pixel within the measured width (which holds the 2 the engine adds).
      m.MeasureOnly = false;
      const TRectF fitted(wide.Left, wide.Top, wide.Right, wide.Top + measured.Height);
      TGraphicsHtmlResult drawn;
      DrawGraphicsHtml(s.G(), markup, fitted, m, drawn);
      EXPECT_EQ(drawn.LineCount, measured.LineCount);
      EXPECT_EQ(drawn.PlainText, measured.PlainText);
      const QImage image = s.Image();
      const QRect ink = Ink(image);
      const QRect box(10, 5, int(measured.Width), int(measured.Height));
      const bool cut = !wrap && measured.Width > wide.Width();
      if (!cut)
        EXPECT_TRUE(box.contains(ink)) << "ink " << ink.x() << "," << ink.y() << " " << ink.width() << "x"
                                       << ink.height() << " in " << box.width() << "x" << box.height();
      if (drawn.LinkCount == 0 || cut) continue;
      const QRect links = InkOf(image, qRgb(0, 0xC0, 0), 30);
      ASSERT_FALSE(links.isEmpty());
      int tried = 0, found = 0;
      for (int y = links.top(); y <= links.bottom(); ++y)
        for (int x = links.left(); x <= links.right(); x += 3) {
          const QRgb px = image.pixel(x, y);
          if (std::abs(qGreen(px) - 0xC0) > 30 || qRed(px) > 30 || qBlue(px) > 30) continue;
          TGraphicsHtmlParams h = m;
          h.HitTestOnly = true;
          h.PointerX = x;
          h.PointerY = y;
          TGraphicsHtmlResult r;
          ++tried;
          if (DrawGraphicsHtml(s.G(), markup, fitted, h, r) && !r.Anchor.isEmpty()) ++found;
        }
      EXPECT_EQ(found, tried);
    }
  }
}

TEST_P(KitGraphicsHTMLEngineTest, HostileMarkupInBoundedTime) {
  QStringList texts;
  QString nested;
  for (int i = 0; i < 20000; ++i) nested += QStringLiteral("<B><FONT SIZE=\"5\" COLOR=\"red\"><A HREF=\"h\"><OF X=\"9\">");
  texts << nested + QStringLiteral("deep") << QStringLiteral("&amp;").repeated(20000) + QStringLiteral("</b>")
        << QStringLiteral("&AMP;AMP;AMP;</b>") << QStringLiteral("&#").repeated(20000) + QStringLiteral("</b>")
        << QStringLiteral("<FONT SIZE=\"99999999\">huge</FONT>")
        << QStringLiteral("<IMG SRC=\"data:image/png;base64,AAAA\" WIDTH=\"99999999\" HEIGHT=\"99999999\"></b>")
        << QStringLiteral("<BODY BACKGROUND=\"nothing\"></b>")
        << QStringLiteral("<CONTROL TYPE=\"BUTTON\" ID=\"b\" WIDTH=\"99999999\" HEIGHT=\"99999999\"></b>")
        << QStringLiteral("<OF X=\"99999999\">x</b>") << QStringLiteral("word ").repeated(5000) + QStringLiteral("</b>");
  QRandomGenerator rng(5);
  const QString alphabet = QStringLiteral("<>/&#;\"= abBfFiIuUlLsSpPzZoOcCxX0123456789");
  for (int n = 0; n < 200; ++n) {
    QString t = QStringLiteral("</b>");
    const int len = int(rng.bounded(120));
    for (int i = 0; i < len; ++i) t += alphabet.at(rng.bounded(int(alphabet.size())));
    texts << t;
  }
  const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  QElapsedTimer timer;
  timer.start();
  TFacadeSheet s(GetParam(), 400, 300);
  for (const QString& t : texts) {
    for (const bool measure : {true, false}) {
      TGraphicsHtmlParams p;
      p.MeasureOnly = measure;
      p.WordWrap = true;
      const auto r = s.Draw(t, p);
      EXPECT_GE(r.Height, 1);
    }
  }
  qInstallMessageHandler(previous);
  EXPECT_LT(timer.elapsed(), 60000);
}

INSTANTIATE_TEST_SUITE_P(BothBackEnds, KitGraphicsHTMLEngineTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "GdiPlus" : "Gdi"; });

// The facade routes marked-up text here.
TEST(KitGraphicsHTMLEngine, TheFacadeDrawsMarkedUpTextThroughTheEngine) {
  TFacadeSheet s(false);
  const TRectF r = s.G()->CalculateText(QStringLiteral("a<BR>bbbb"), TRectF(0, 0, 300, 100), false, true);
  const auto m = s.Measure(QStringLiteral("a<BR>bbbb"));
  EXPECT_EQ(r.Width(), m.Width);
  EXPECT_EQ(r.Height(), m.Height + 1);
  s.G()->SetURLColor(0x00C000);
  const QString anchor = s.G()->DrawText(TRectF(0, 0, 300, 100), QStringLiteral("<A HREF=\"go\">link</A>"), false,
                                         gtaLeading, gtaLeading, gttNone, 0, -1, -1, true, true, 5, 6);
  EXPECT_EQ(anchor, "go");
  int green = 0;
  InkOf(s.Image(), qRgb(0, 0xC0, 0), 60, &green);
  EXPECT_GT(green, 10);
}

TEST(KitGraphicsHTMLEngine, SearchMarks) {
  struct C {
    const char* Text;
    const char* Search;
    bool CaseSensitive;
    const char* Result;
  } cases[] = {
      {"a cat", "cat", false, "a <hi>cat</hi>"},
      {"a Cat and a cat", "CAT", false, "a <hi>Cat</hi> and a <hi>cat</hi>"},
      {"a Cat and a cat", "cat", true, "a Cat and a <hi>cat</hi>"},
      {"<b>abc</b>", "bc", false, "<b>a<hi>bc</b></hi>"},
      {"ab<BR>cd", "c", false, "ab<BR><hi>c</hi>d"},  // a line break counts as its two characters
      {"x<br>y<hr>zz", "z", false, "x<br>y<hr><hi>z</hi><hi>z</hi>"},
      {"&lt;b&gt;", "b", false, "&lt;<hi>b</hi>&gt;"},
      {"a > b <i>b</i>", "b", false, "a &gt; <hi>b</hi> <hi>b</hi>"},  // the plain form with entities
      {"nothing here", "zzz", false, "nothing here"},
      {"text", "", false, "text"},
      {"ßtraße", "SS", false, "ßtraße"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(MarkTextInGraphicsHtml(QString::fromUtf8(c.Text), QString::fromUtf8(c.Search), QStringLiteral("hi"),
                                     c.CaseSensitive),
              QString::fromUtf8(c.Result));
  }
  EXPECT_EQ(VisibleCharToPos(QStringLiteral("a<b>b</b>c"), 2), 9);
  EXPECT_EQ(VisibleCharToPos(QStringLiteral("ab"), 5), 2);
}

// The GDI+ back-end draws underline and strike-out itself (the library does
// not): a row across the text below its letters, and one through them.
TEST(KitGraphicsHTMLEngine, BackEndsUnderlineAndStrikeOut) {
  for (const bool native : {false, true}) {
    SCOPED_TRACE(native);
    for (const TFontStyle style : {fsUnderline, fsStrikeOut}) {
      auto g = TKitGraphics::CreateBitmapCanvas(200, 40, native, false);
      TKitGraphicsFont font;
      font.SetName(QStringLiteral("DejaVu Sans"));
      font.SetSize(12);
      font.SetColor(0);
      g->SetFont(&font);
      g->Context()->DrawText(QStringLiteral("mmmm"), TRectF(10, 5, 190, 35), false, gtaLeading, gtaLeading, gttNone, 0);
      const QImage plain = g->Bitmap()->ToImage().convertToFormat(QImage::Format_RGB32);
      font.SetStyle(TFontStyles{style});
      g->SetFont(&font);
      g->Context()->DrawText(QStringLiteral("mmmm"), TRectF(10, 5, 190, 35), false, gtaLeading, gtaLeading, gttNone, 0);
      const QImage lined = g->Bitmap()->ToImage().convertToFormat(QImage::Format_RGB32);
      const QRect letters = Ink(plain);
      int rowsAdded = 0;
      for (int y = 0; y < lined.height(); ++y) {
        int added = 0;
        for (int x = letters.left(); x <= letters.right(); ++x)
          if (qGray(lined.pixel(x, y)) < 100 && qGray(plain.pixel(x, y)) >= 100) ++added;
        if (added >= letters.width() / 3) {
          ++rowsAdded;
          if (style == fsUnderline) EXPECT_GE(y, letters.bottom());
          if (style == fsStrikeOut) EXPECT_TRUE(y > letters.top() && y < letters.bottom());
        }
      }
      EXPECT_GE(rowsAdded, 1);
    }
  }
}

}  // namespace
