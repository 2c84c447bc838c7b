// HTML export: the default document, spans, links, empty cells, images,
// colours switched off, the XHTML form, and appending.

#include <gtest/gtest.h>

#include <QImageReader>
#include <QTemporaryDir>

#include "grid/model/KitGrid.h"
#include "grid/model/KitGridSettingGroups.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/FakeShell.h"
#include "tests/support/TestSupport.h"

using gridtest::NewGrid;

namespace {

std::unique_ptr<TKitStringGrid> Plain(int Cols, int Rows) {
  auto g = NewGrid();
  g->SetColCount(Cols);
  g->SetRowCount(Rows);
  g->SetFixedCols(0);
  g->SetFixedRows(0);
  return g;
}

TEST(HtmlExport, DefaultDocumentOfTwoByTwo) {
  auto g = Plain(2, 2);
  g->SetCells(0, 0, "a");
  g->SetCells(1, 0, "b");
  g->SetCells(0, 1, "c");
  g->SetCells(1, 1, "d");
  const QString html = g->SaveToHTMLString("/tmp/");
  const QString cls = ".c0 {font-size:8pt;font-family: Tahoma;vertical-align: top}";
  EXPECT_EQ(html, "<style>\r\n" + cls + "\r\n</style>\r\n"
                  "<table border=\"1\" cellspacing=\"0\" cellpadding=\"0\"  width=\"100%\">\r\n"
                  "<tr>\r\n<td class=\"c0\">a</td>\r\n<td class=\"c0\">b</td>\r\n</tr>\r\n"
                  "<tr>\r\n<td class=\"c0\">c</td>\r\n<td class=\"c0\">d</td>\r\n</tr>\r\n"
                  "</table>\r\n");
}

TEST(HtmlExport, SpansLooksLinksAndEmptyCells) {
  auto g = Plain(3, 4);
  g->MergeCells(0, 0, 2, 3);
  g->SetCells(0, 0, "big");
  g->SetCells(2, 0, "http://x/y");
  g->SetCells(2, 1, "   ");
  g->SetCells(2, 2, "mailto:me@example.org");
  g->SetCells(0, 3, "evil\" onclick=\"x://a>b");
  g->SetColors(2, 3, clRed);
  g->SetFontStyles(1, 3, TFontStyles{fsBold});
  g->SetURLShow(true);
  const QString html = g->SaveToHTMLString("/tmp/");
  EXPECT_TRUE(html.contains("colspan=\"2\" rowspan=\"3\"")) << html.toStdString();
  EXPECT_EQ(html.count("<td "), 12 - 5);
  EXPECT_TRUE(html.contains(">&nbsp;</td>"));
  EXPECT_TRUE(html.contains("<a href=\"http://x/y\">x/y</a>"));
  EXPECT_TRUE(html.contains("<a href=\"mailto:me@example.org\">me@example.org</a>"));
  EXPECT_TRUE(html.contains("<a href=\"evil&quot; onclick=&quot;x://a&gt;b\">")) << html.toStdString();
  EXPECT_TRUE(html.contains("background-color: #FF0000"));
  EXPECT_TRUE(html.contains("font-weight: bold"));
  // Plain cells, the merged cells' records (with their default font colour),
  // the red cell and the bold cell: four looks.
  EXPECT_TRUE(html.contains(".c3 {"));
  EXPECT_FALSE(html.contains(".c4 {"));
  g->SetURLFull(true);
  EXPECT_TRUE(g->SaveToHTMLString("/tmp/").contains("<a href=\"http://x/y\">http://x/y</a>"));

  g->HTMLSettings()->SetSaveColor(false);
  const QString plain = g->SaveToHTMLString("/tmp/");
  EXPECT_FALSE(plain.contains("color"));
  EXPECT_TRUE(plain.contains("font-family"));
}

TEST(HtmlExport, HeaderRowTakesTheFixedColour) {
  auto g = NewGrid();
  g->SetColCount(2);
  g->SetRowCount(3);
  g->SetFixedCols(0);
  g->SetFixedColor(0x00C0FFEE);
  g->SetCells(0, 0, "H");
  g->SetCells(0, 1, "d");
  const QString html = g->SaveToHTMLString("/tmp/");
  EXPECT_TRUE(html.contains("background-color: #EEFFC0")) << html.toStdString();
  EXPECT_LT(html.indexOf(">H</td>"), html.indexOf(">d</td>"));
}

TEST(HtmlExport, ImagesAreWrittenAsNumberedJpegFiles) {
  QTemporaryDir dir;
  auto g = Plain(2, 1);
  std::vector<std::unique_ptr<TBitmap>> bmps;
  for (int c = 0; c < 2; ++c) {
    bmps.push_back(std::make_unique<TBitmap>());
    bmps.back()->SetSize(8, 6);
    bmps.back()->Canvas()->Brush()->SetColor(c == 0 ? clRed : clBlue);
    bmps.back()->Canvas()->FillRect(TRect(0, 0, 8, 6));
    g->CreateCellGraphic(c, 0)->SetBitmap(bmps.back().get(), false, haLeft, vaTop);
    g->SetCells(c, 0, QStringLiteral("t%1").arg(c));
  }
  const QString html = g->SaveToHTMLString(dir.path() + "/");
  for (int k : {1, 2}) {
    const QString path = dir.filePath(QStringLiteral("images/img%1.jpg").arg(k));
    QImageReader reader(path);
    EXPECT_EQ(reader.format(), "jpeg") << path.toStdString();
    EXPECT_EQ(reader.size(), QSize(8, 6));
    EXPECT_TRUE(html.contains(QStringLiteral("t%1<img src= \"file://").arg(k - 1) + dir.path() +
                              QStringLiteral("/images/img%1.jpg\">").arg(k)))
        << html.toStdString();
  }
  QImage red(dir.filePath("images/img1.jpg"));
  EXPECT_GT(qRed(red.pixel(4, 3)), 200);
  EXPECT_LT(qBlue(red.pixel(4, 3)), 60);
}

TEST(HtmlExport, FilesAppendsAndPreview) {
  QTemporaryDir dir;
  testsupport::FakeShell shell;
  auto g = Plain(1, 1);
  g->SetCells(0, 0, QString::fromUtf8("é"));
  const QString path = dir.filePath("out.html");
  g->SaveToHTML(path, true, true);
  const QByteArray first = testsupport::ReadBytes(path);
  EXPECT_TRUE(first.startsWith("\xEF\xBB\xBF<style>"));
  EXPECT_TRUE(first.contains("\xC3\xA9"));
  ASSERT_EQ(shell.Opened.size(), 1);
  g->AppendToHTML(path, false, false);  // the file is UTF-8: the addition is too
  const QByteArray both = testsupport::ReadBytes(path);
  EXPECT_TRUE(both.startsWith(first));
  EXPECT_EQ(both.count("\xC3\xA9"), 2);
  EXPECT_EQ(shell.Opened.size(), 1);
}

TEST(HtmlExport, XhtmlPrologueAndClosedElements) {
  auto g = Plain(2, 1);
  g->SetCells(0, 0, "a\r\nb");
  g->HTMLSettings()->SetXHTML(true);
  g->HTMLSettings()->ColWidths()->Add(40);
  const QString html = g->SaveToHTMLString("/tmp/");
  EXPECT_TRUE(html.startsWith("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<!DOCTYPE html PUBLIC"));
  EXPECT_TRUE(html.contains("a<br />\nb"));
  EXPECT_TRUE(html.contains("width=\"40px\""));
  EXPECT_TRUE(html.endsWith("</HTML>\r\n"));
}

}  // namespace
