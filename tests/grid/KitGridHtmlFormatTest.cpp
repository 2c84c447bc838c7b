// The clipboard's HTML text: the header's byte offsets point at the right
// bytes of the UTF-8 text, whatever characters the fragment holds.

#include <gtest/gtest.h>

#include <QByteArray>

#include "grid/model/KitGridHtmlFormat.h"
#include "tests/support/TestSupport.h"

namespace {

// The offset the header gives for Label ("StartHTML:"...).
int OffsetOf(const QString& text, const QString& label) {
  const qsizetype at = text.indexOf(label);
  return at < 0 ? -1 : text.mid(at + label.size(), 8).toInt();
}

}  // namespace

TEST(KitGridHtmlFormatTest, Offsets) {
  const struct {
    const char16_t* Fragment;
    int EndFragment;
    int EndHtml;
  } cases[] = {
      {u"", 274, 306},
      {u"<td>abc</td>", 286, 318},
      {u"\u00e9", 276, 308},
      {u"\u20ac", 277, 309},
      {u"\U0001F600", 278, 310},
      {u"<td>\u00e9\u20ac</td>", 288, 320},
  };
  for (const auto& c : cases) {
    const QString fragment = QString::fromUtf16(c.Fragment);
    QString html = fragment;
    BuildClipboardHtml(html);
    const QByteArray bytes = html.toUtf8();
    EXPECT_EQ(OffsetOf(html, u"StartHTML:"_qs), 97);
    EXPECT_EQ(OffsetOf(html, u"StartFragment:"_qs), 274);
    EXPECT_EQ(OffsetOf(html, u"EndFragment:"_qs), c.EndFragment) << fragment.toStdString();
    EXPECT_EQ(OffsetOf(html, u"EndHTML:"_qs), c.EndHtml) << fragment.toStdString();
    // The offsets select the document, the fragment and the end.
    EXPECT_TRUE(bytes.mid(97).startsWith("<!DOCTYPE HTML PUBLIC"));
    EXPECT_TRUE(bytes.mid(274 - 20, 20) == "<!--StartFragment-->");
    EXPECT_EQ(QString::fromUtf8(bytes.mid(274, c.EndFragment - 274)), fragment);
    EXPECT_TRUE(bytes.mid(c.EndFragment).startsWith("<!--EndFragment-->"));
    EXPECT_EQ(bytes.size(), c.EndHtml);
  }
  QString empty;
  BuildClipboardHtml(empty);
  EXPECT_TRUE(empty.startsWith(u"Version:1.0\r\nStartHTML:00000097\r\nEndHTML:00000306\r\n"
                               u"StartFragment:00000274\r\nEndFragment:00000274\r\n"_qs));
}
