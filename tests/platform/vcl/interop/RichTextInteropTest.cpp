// The RTF reader and writer against LibreOffice Writer: documents Writer
// saves as RTF read back with their text, bold, italic, underline, colours
// and paragraphs; Writer reads the RTF we write with the same.

#include <gtest/gtest.h>

#include <QFile>
#include <QFont>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>

#include "platform/vcl/RichText.h"
#include "tests/support/OfficeTools.h"

namespace {

class RichTextInterop : public officetest::OfficeFixture {
 protected:
  QByteArray ConvertTo(const QString& file, const QString& filter, const QString& outDir,
                       const QStringList& extra = {}) {
    const QStringList made = Convert(file, filter, Dir.File(outDir), extra);
    if (made.isEmpty()) return {};
    return testsupport::ReadBytes(made.first());
  }
};

QTextCharFormat FormatOf(const QTextDocument& doc, const QString& text) {
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
    for (auto it = b.begin(); !it.atEnd(); ++it)
      if (it.fragment().text().contains(text)) return it.fragment().charFormat();
  ADD_FAILURE() << "no run holds " << text.toStdString();
  return {};
}

}  // namespace

TEST_F(RichTextInterop, WriterDocumentsReadWithTheirFormats) {
  REQUIRE_LIBREOFFICE();
  const QString html = Dir.File("source.html");
  testsupport::WriteBytes(
      html,
      "<html><head><meta charset=\"utf-8\"></head><body>\n"
      "<p><b>Bold words</b> and <i>italic words</i> and <span style=\"color:#ff0000\">red words</span>.</p>\n"
      "<p>Second paragraph: caf&eacute; &amp; &#x41F;&#x440;&#x438;&#x432;&#x435;&#x442; and "
      "<u>underlined</u> and <span style=\"color:#0000ff\"><b><i>blue bold italic</i></b></span>.</p>\n"
      "<p style=\"text-align:center\">Centred {braces} \\ backslash</p>\n"
      "</body></html>\n");
  const QByteArray rtf = ConvertTo(html, "rtf", "rtf", {"--infilter=HTML (StarWriter)"});
  ASSERT_TRUE(LooksLikeRtf(rtf)) << rtf.left(200).constData();

  QTextDocument doc;
  EXPECT_TRUE(RtfToDocument(rtf, doc));
  QStringList paragraphs;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
    if (!b.text().trimmed().isEmpty()) paragraphs << b.text();
  EXPECT_EQ(paragraphs, (QStringList{"Bold words and italic words and red words.",
                                     QString::fromUtf8("Second paragraph: café & Привет and underlined "
                                                       "and blue bold italic."),
                                     "Centred {braces} \\ backslash"}));

  EXPECT_GE(FormatOf(doc, "Bold words").fontWeight(), QFont::DemiBold);
  EXPECT_FALSE(FormatOf(doc, "Bold words").fontItalic());
  EXPECT_TRUE(FormatOf(doc, "italic words").fontItalic());
  EXPECT_LT(FormatOf(doc, "italic words").fontWeight(), QFont::DemiBold);
  EXPECT_EQ(FormatOf(doc, "red words").foreground().color(), QColor(255, 0, 0));
  EXPECT_TRUE(FormatOf(doc, "underlined").fontUnderline());
  const QTextCharFormat blue = FormatOf(doc, "blue bold italic");
  EXPECT_EQ(blue.foreground().color(), QColor(0, 0, 255));
  EXPECT_GE(blue.fontWeight(), QFont::DemiBold);
  EXPECT_TRUE(blue.fontItalic());
  EXPECT_FALSE(FormatOf(doc, " and ").hasProperty(QTextFormat::ForegroundBrush) &&
               FormatOf(doc, " and ").foreground().color() == QColor(255, 0, 0));
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
    if (b.text().startsWith("Centred"))
      EXPECT_EQ(b.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
}

TEST_F(RichTextInterop, WriterReadsOurRtf) {
  REQUIRE_LIBREOFFICE();
  QTextDocument doc;
  QTextCursor c(&doc);
  QTextCharFormat plain, bold, italic, red, big;
  bold.setFontWeight(QFont::Bold);
  italic.setFontItalic(true);
  red.setForeground(QColor(255, 0, 0));
  big.setFontPointSize(20);
  big.setFontUnderline(true);
  c.insertText("Start ", plain);
  c.insertText("BOLDRUN", bold);
  c.insertText(" middle ", plain);
  c.insertText("ITALICRUN", italic);
  c.insertText(" then ", plain);
  c.insertText("REDRUN", red);
  c.insertBlock();
  c.insertText(QString::fromUtf8("Unicode: café € Привет 日本 {x} \\ end"), plain);
  c.insertBlock();
  c.insertText("BIGRUN", big);
  const QString rtfFile = Dir.File("ours.rtf");
  testsupport::WriteBytes(rtfFile, DocumentToRtf(doc));

  const QString text = QString::fromUtf8(ConvertTo(rtfFile, "txt:Text (encoded):UTF8", "txt"));
  QStringList lines = text.split(QRegularExpression("\r?\n"));
  if (!lines.isEmpty() && lines.first().startsWith(QChar(0xFEFF))) lines.first().remove(0, 1);
  while (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  EXPECT_EQ(lines, (QStringList{"Start BOLDRUN middle ITALICRUN then REDRUN",
                                QString::fromUtf8("Unicode: café € Привет 日本 {x} \\ end"), "BIGRUN"}));

  // Writer's HTML of our document shows which runs it read as formatted.
  const QString html = QString::fromUtf8(ConvertTo(rtfFile, "html:XHTML Writer File:UTF8", "html"));
  EXPECT_TRUE(html.contains("BOLDRUN")) << html.toStdString();
  // XHTML export puts run formats into classes; find each class's rule.
  auto ruleOf = [&](const QString& word) {
    const qsizetype at = html.indexOf(word);
    if (at < 0) return QString();
    const qsizetype cls = html.lastIndexOf("class=\"", at);
    if (cls < 0) return QString();
    const QString name = html.mid(cls + 7, html.indexOf(u'"', cls + 7) - cls - 7);
    const QRegularExpression rule("\\." + QRegularExpression::escape(name) + "\\s*\\{([^}]*)\\}");
    return rule.match(html).captured(1);
  };
  EXPECT_TRUE(ruleOf("BOLDRUN").contains("font-weight:bold")) << ruleOf("BOLDRUN").toStdString();
  EXPECT_TRUE(ruleOf("ITALICRUN").contains("font-style:italic")) << ruleOf("ITALICRUN").toStdString();
  EXPECT_TRUE(ruleOf("REDRUN").contains("#ff0000")) << ruleOf("REDRUN").toStdString();
  EXPECT_TRUE(ruleOf("BIGRUN").contains("20pt")) << ruleOf("BIGRUN").toStdString();
  EXPECT_TRUE(ruleOf("BIGRUN").contains("underline")) << ruleOf("BIGRUN").toStdString();
  EXPECT_FALSE(ruleOf("middle").contains("font-weight:bold"));
}
