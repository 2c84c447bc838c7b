// The RTF reader and writer over QTextDocument: text and characters, run
// formats, paragraphs, round trips, faults and hostile input.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <vector>

#include "platform/vcl/RichText.h"
#include "tests/support/TestSupport.h"

namespace {

struct TRun {
  QString Text;
  QTextCharFormat Format;
};

std::vector<TRun> Runs(const QTextDocument& doc) {
  std::vector<TRun> runs;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
    for (auto it = b.begin(); !it.atEnd(); ++it)
      if (it.fragment().isValid()) runs.push_back({it.fragment().text(), it.fragment().charFormat()});
  return runs;
}

// The run holding text (the first whose text contains it).
TRun RunWith(const QTextDocument& doc, const QString& text) {
  for (const TRun& r : Runs(doc))
    if (r.Text.contains(text)) return r;
  ADD_FAILURE() << "no run holds " << text.toStdString();
  return {};
}

QStringList Paragraphs(const QTextDocument& doc) {
  QStringList l;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) l << b.text();
  return l;
}

}  // namespace

TEST(RichText, LooksLikeRtfWantsTheOpeningGroupAndKeyword) {
  EXPECT_TRUE(LooksLikeRtf("{\\rtf1\\ansi x}"));
  EXPECT_TRUE(LooksLikeRtf("{\\rtf"));
  EXPECT_FALSE(LooksLikeRtf("{\\b x}"));
  EXPECT_FALSE(LooksLikeRtf(" {\\rtf1 x}"));
  EXPECT_FALSE(LooksLikeRtf("<b>x</b>"));
  EXPECT_FALSE(LooksLikeRtf(""));
}

TEST(RichText, PlainTextOfDocuments) {
  struct TCase {
    const char* Rtf;
    QString Text;
  } cases[] = {
      {"{\\rtf1 Hello}", "Hello"},
      {"{\\rtf1\\ansi {\\b bold} and {\\i italic}}", "bold and italic"},
      {"{\\rtf1 one\\par two\\par}", "one\r\ntwo"},          // a final \par opens no paragraph
      {"{\\rtf1 one\\par\\par two}", "one\r\n\r\ntwo"},      // an empty paragraph between
      {"{\\rtf1 a\\line b\\tab c}", "a\r\nb\tc"},
      {"{\\rtf1 a\\\nb}", "a\r\nb"},                          // backslash before a line end: \par
      {"{\\rtf1 caf\\'e9}", QString::fromUtf8("café")},
      {"{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8}", QString::fromUtf8("При")},
      {"{\\rtf1 \\u1055?\\u1088?}", QString::fromUtf8("Пр")},
      {"{\\rtf1 \\uc2\\u1055??x}", QString::fromUtf8("Пx")},  // two fallback characters skipped
      {"{\\rtf1 \\uc0\\u1055 x}", QString::fromUtf8("Пx")},
      {"{\\rtf1 \\u1055\\'3fx}", QString::fromUtf8("Пx")},   // a \'hh fallback is skipped
      {"{\\rtf1 {\\uc3\\u1055 a}bc}", QString::fromUtf8("Пbc")},  // skipping ends with the group
      {"{\\rtf1 \\u-4064?}", QString(QChar(0xF020))},
      {"{\\rtf1 \\u-10179?\\u-8704?}", QString::fromUtf8("\xF0\x9F\x98\x80")},
      {"{\\rtf1 \\u-10179?x}", QString(QChar::ReplacementCharacter) + "x"},  // a lone surrogate
      {"{\\rtf1 a\\~b\\\\c\\{d\\}e\\-f\\_g}", QString("a") + QChar(0xA0) + "b\\c{d}ef" + QChar(0x2011) + "g"},
      {"{\\rtf1 {\\*\\generator Writer;}{\\*\\unknown {nested} text}x}", "x"},
      {"{\\rtf1 {\\info{\\title T}}{\\stylesheet{\\s0 Normal;}}x}", "x"},
      {"{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"http://a.example\"}{\\fldrslt link}}}", "link"},
      {"{\\rtf1 a\\bin3 }}}b}", "ab"},                        // binary data is not text
      {"{\\rtf1 a\\bin99999 bc}", "a"},
      {"{\\rtf1 \\ldblquote x\\rdblquote \\emdash}", QString::fromUtf8("“x”—")},
      {"{\\rtf1 a\r\nb}", "ab"},                              // raw line ends are not text
      {"{\\rtf1 x} trailing", "x"},
  };
  for (const TCase& c : cases) EXPECT_EQ(RtfToPlainText(c.Rtf), c.Text) << c.Rtf;
}

TEST(RichText, CharsetsOfFontsDecodeTheirBytes) {
  struct TCase {
    const char* Rtf;
    QString Text;
  } cases[] = {
      // Shift-JIS: a byte pair per character, also when the trail byte is plain ASCII.
      {"{\\rtf1{\\fonttbl{\\f1\\fcharset128 MS Gothic;}}\\f1 \\'82\\'a0\\'83A}", QString::fromUtf8("あア")},
      {"{\\rtf1{\\fonttbl{\\f1\\fcharset204 X;}}{\\f1 \\'cf}\\'cf}", QString::fromUtf8("ПÏ")},
      {"{\\rtf1{\\fonttbl{\\f1\\fcharset161 X;}}\\f1 \\'e1}", QString::fromUtf8("α")},
      {"{\\rtf1{\\fonttbl{\\f1\\fcharset238 X;}}\\f1 \\'9a}", QString::fromUtf8("š")},
      {"{\\rtf1{\\fonttbl{\\f1\\cpg1251 X;}}\\f1 \\'cf}", QString::fromUtf8("П")},
      {"{\\rtf1 \\'81}", QString(QChar::ReplacementCharacter)},    // undefined in Windows-1252
      {"{\\rtf1{\\fonttbl{\\f1\\fcharset128 X;}}\\f1 \\'82}", QString(QChar::ReplacementCharacter)},
  };
  for (const TCase& c : cases) EXPECT_EQ(RtfToPlainText(c.Rtf), c.Text) << c.Rtf;
}

TEST(RichText, RunsCarryTheirFormats) {
  QTextDocument doc;
  ASSERT_TRUE(RtfToDocument(
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Liberation Sans;}{\\f1\\froman{\\*\\panose 0}"
      "Liberation Serif{\\*\\falt Times};}}"
      "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
      "plain {\\b bold}{\\i italic}{\\ul under}{\\strike struck}{\\fs40 big}{\\cf1 red}"
      "{\\highlight2 marked}{\\f1 serif}{\\b\\i both\\b0 italiconly}{\\b\\plain reset}"
      "{\\ul u\\ulnone n}{\\cf7 badindex}}",
      doc));
  struct TCase {
    const char* Text;
    bool Bold, Italic, Under, Strike;
    double Points;
    QColor Fg, Bg;
    const char* Family;
  } cases[] = {
      {"plain", false, false, false, false, 0, {}, {}, "Liberation Sans"},
      {"bold", true, false, false, false, 0, {}, {}, "Liberation Sans"},
      {"italic", false, true, false, false, 0, {}, {}, "Liberation Sans"},
      {"under", false, false, true, false, 0, {}, {}, "Liberation Sans"},
      {"struck", false, false, false, true, 0, {}, {}, "Liberation Sans"},
      {"big", false, false, false, false, 20, {}, {}, "Liberation Sans"},
      {"red", false, false, false, false, 0, QColor(255, 0, 0), {}, "Liberation Sans"},
      {"marked", false, false, false, false, 0, {}, QColor(0, 0, 255), "Liberation Sans"},
      {"serif", false, false, false, false, 0, {}, {}, "Liberation Serif"},
      {"both", true, true, false, false, 0, {}, {}, "Liberation Sans"},
      {"italiconly", false, true, false, false, 0, {}, {}, "Liberation Sans"},
      {"reset", false, false, false, false, 0, {}, {}, "Liberation Sans"},
      {"n", false, false, false, false, 0, {}, {}, "Liberation Sans"},
      {"badindex", false, false, false, false, 0, {}, {}, "Liberation Sans"},
  };
  for (const TCase& c : cases) {
    const TRun r = RunWith(doc, c.Text);
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(r.Format.fontWeight() >= QFont::DemiBold, c.Bold);
    EXPECT_EQ(r.Format.fontItalic(), c.Italic);
    EXPECT_EQ(r.Format.fontUnderline(), c.Under);
    EXPECT_EQ(r.Format.fontStrikeOut(), c.Strike);
    EXPECT_EQ(r.Format.fontPointSize(), c.Points);
    EXPECT_EQ(r.Format.hasProperty(QTextFormat::ForegroundBrush), c.Fg.isValid());
    if (c.Fg.isValid()) EXPECT_EQ(r.Format.foreground().color(), c.Fg);
    EXPECT_EQ(r.Format.hasProperty(QTextFormat::BackgroundBrush), c.Bg.isValid());
    if (c.Bg.isValid()) EXPECT_EQ(r.Format.background().color(), c.Bg);
    EXPECT_EQ(r.Format.fontFamilies().toStringList().value(0), c.Family);
  }
}

TEST(RichText, ParagraphsKeepTheirAlignment) {
  QTextDocument doc;
  ASSERT_TRUE(RtfToDocument("{\\rtf1 \\pard\\qc centred\\par \\pard right\\qr\\par\\pard justified\\qj}", doc));
  ASSERT_EQ(Paragraphs(doc), (QStringList{"centred", "right", "justified"}));
  EXPECT_EQ(doc.findBlockByNumber(0).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
  EXPECT_EQ(doc.findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
  EXPECT_EQ(doc.findBlockByNumber(2).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
}

TEST(RichText, DocumentsRoundTrip) {
  QTextDocument doc;
  QTextCursor c(&doc);
  QTextCharFormat plain;
  c.insertText("Plain {braces} and \\ backslash, ", plain);
  QTextCharFormat bold;
  bold.setFontWeight(QFont::Bold);
  c.insertText(QString::fromUtf8("bold café "), bold);
  QTextCharFormat rich;
  rich.setFontItalic(true);
  rich.setFontUnderline(true);
  rich.setFontStrikeOut(true);
  rich.setFontPointSize(15.5);
  rich.setForeground(QColor(0x12, 0x34, 0x56));
  rich.setBackground(QColor(255, 255, 0));
  rich.setFontFamilies(QStringList{"Liberation Mono"});
  c.insertText(QString::fromUtf8("Привет € 😀\ttab") + QChar::LineSeparator + "next line", rich);
  c.insertBlock();
  QTextBlockFormat centred;
  centred.setAlignment(Qt::AlignHCenter);
  c.setBlockFormat(centred);
  QTextCharFormat red;
  red.setForeground(QColor(255, 0, 0));
  c.insertText(QString("second") + QChar(0xA0) + "paragraph", red);
  c.insertBlock();
  c.insertBlock();
  QTextBlockFormat left;
  left.setAlignment(Qt::AlignLeft);
  c.setBlockFormat(left);
  c.insertText("after an empty one", plain);
  c.insertBlock();  // and a final empty paragraph

  const QByteArray rtf = DocumentToRtf(doc);
  ASSERT_TRUE(LooksLikeRtf(rtf));
  for (char ch : rtf) ASSERT_LT(static_cast<unsigned char>(ch), 0x80) << "RTF is 7-bit text";

  QTextDocument back;
  ASSERT_TRUE(RtfToDocument(rtf, back)) << rtf.constData();
  EXPECT_EQ(Paragraphs(back), Paragraphs(doc));
  EXPECT_EQ(back.findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);

  const std::vector<TRun> a = Runs(doc), b = Runs(back);
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    SCOPED_TRACE(a[i].Text.toStdString());
    EXPECT_EQ(b[i].Text, a[i].Text);
    const QTextCharFormat &x = a[i].Format, &y = b[i].Format;
    EXPECT_EQ(y.fontWeight() >= QFont::DemiBold, x.fontWeight() >= QFont::DemiBold);
    EXPECT_EQ(y.fontItalic(), x.fontItalic());
    EXPECT_EQ(y.fontUnderline(), x.fontUnderline());
    EXPECT_EQ(y.fontStrikeOut(), x.fontStrikeOut());
    EXPECT_EQ(y.fontPointSize(), x.fontPointSize());
    EXPECT_EQ(y.foreground().color().rgb(), x.foreground().color().rgb());
    EXPECT_EQ(y.hasProperty(QTextFormat::BackgroundBrush), x.hasProperty(QTextFormat::BackgroundBrush));
    EXPECT_EQ(y.background().color().rgb(), x.background().color().rgb());
    if (!x.fontFamilies().toStringList().isEmpty())
      EXPECT_EQ(y.fontFamilies().toStringList(), x.fontFamilies().toStringList());
  }
  // Written again, the document read back gives RTF that reads back as itself.
  const QByteArray second = DocumentToRtf(back);
  QTextDocument third;
  ASSERT_TRUE(RtfToDocument(second, third));
  EXPECT_EQ(QString::fromLatin1(DocumentToRtf(third)), QString::fromLatin1(second));
}

TEST(RichText, FaultsAreReportedWithWhatWasRead) {
  struct TCase {
    QByteArray Rtf;
    bool Ok;
    QString Text;
  } cases[] = {
      {"plain text", false, ""},
      {"{\\b not rtf}", false, ""},
      {"{\\rtf1 complete}", true, "complete"},
      {"{\\rtf1 cut {\\b off", false, "cut off"},  // groups left open
      {"{\\rtf1 cut\\", false, "cut"},
      {"{\\rtf1 cut\\'4", false, "cut4"},    // half a hex escape is text
      {"{\\rtf1 x\\'zz y}", true, "xzz y"},          // a broken hex escape is dropped
      {"{\\rtf1", false, ""},
  };
  for (const TCase& c : cases) {
    QTextDocument doc;
    doc.setPlainText("old content");
    EXPECT_EQ(RtfToDocument(c.Rtf, doc), c.Ok) << c.Rtf.constData();
    EXPECT_EQ(doc.toPlainText(), c.Text) << c.Rtf.constData();
  }
}

TEST(RichText, HostileInputIsReadInBoundedTimeAndMemory) {
  const QByteArray deep = "{\\rtf1 " + QByteArray(1000000, '{') + "deep" + QByteArray(1000000, '}') + "}";
  const QByteArray deepOpen = "{\\rtf1 " + QByteArray(2000000, '{') + "open";
  QByteArray longWord = "{\\rtf1 \\" + QByteArray(1000000, 'b') + " word}";
  QByteArray bigNumbers = "{\\rtf1 {\\fs999999999999999999999999 big}\\u99999999999999999999999? "
                          "\\u-99999999999? \\uc99999999 \\u65? abc}";
  QByteArray manyRuns = "{\\rtf1 ";
  for (int i = 0; i < 100000; ++i) manyRuns += i % 2 ? "{\\b x}" : "{\\i y}";
  manyRuns += "}";
  QByteArray manyUnicode = "{\\rtf1 ";
  for (int i = 0; i < 200000; ++i) manyUnicode += "\\u1055?";
  manyUnicode += "}";
  QByteArray colours = "{\\rtf1 {\\colortbl";
  for (int i = 0; i < 200000; ++i) colours += ";\\red999999\\green-5\\blue300";
  colours += "}{\\cf150000 c}}";

  struct TCase {
    const char* Name;
    const QByteArray* Rtf;
  } cases[] = {{"deep", &deep},           {"deepOpen", &deepOpen}, {"longWord", &longWord},
               {"bigNumbers", &bigNumbers}, {"manyRuns", &manyRuns}, {"manyUnicode", &manyUnicode},
               {"colours", &colours}};
  for (const TCase& c : cases) {
    QElapsedTimer t;
    t.start();
    QTextDocument doc;
    RtfToDocument(*c.Rtf, doc);
    EXPECT_LT(t.elapsed(), 5000) << c.Name;
  }

  QTextDocument doc;
  RtfToDocument(deep, doc);
  EXPECT_EQ(doc.toPlainText(), "deep");
  RtfToDocument(deepOpen, doc);
  EXPECT_EQ(doc.toPlainText(), "open");
  RtfToDocument(longWord, doc);
  EXPECT_EQ(doc.toPlainText(), "word");
  EXPECT_FALSE(RunWith(doc, "word").Format.fontWeight() >= QFont::DemiBold) << "an over-long word is no \\b";
  RtfToDocument(bigNumbers, doc);
  EXPECT_EQ(RunWith(doc, "big").Format.fontPointSize(), 1638.0);
  // The out-of-range \u values are replacement characters; the huge \uc is
  // clamped to 16 skipped characters, which the end of the group stops.
  EXPECT_EQ(doc.toPlainText(), QString("big") + QChar::ReplacementCharacter + " " + QChar::ReplacementCharacter + " A");
  RtfToDocument(colours, doc);
  const TRun c = RunWith(doc, "c");
  EXPECT_EQ(c.Format.foreground().color(), QColor(255, 0, 255));
  RtfToDocument(manyUnicode, doc);
  EXPECT_EQ(doc.characterCount(), 200001);
}
