// The grid as a word-processor table: the package's main part (table size,
// cell texts, paragraphs of multi-line cells, alignment, order of table and
// caption), appending at a bookmark and at the end, other parts copied
// unchanged, and files that are not documents left alone.

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

#include "grid/model/KitGrid.h"
#include "platform/office/Word.h"
#include "platform/office/XlsxPackage.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/TestSupport.h"

using gridtest::NewGrid;

namespace {

QByteArray Part(const QString& file, const QString& name) {
  Excel::detail::TZipArchive zip;
  QString error;
  if (!zip.OpenRead(file, error)) return "<not a zip: " + error.toUtf8() + ">";
  return zip.Read(name);
}

// A package with a bookmark in its second paragraph and a styles part.
QString MakeDocument(const QString& file) {
  const QByteArray doc =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
      "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>"
      "<w:p><w:r><w:t>First</w:t></w:r></w:p>"
      "<w:p><w:bookmarkStart w:id=\"0\" w:name=\"mark\"/><w:r><w:t>Marked</w:t></w:r><w:bookmarkEnd w:id=\"0\"/></w:p>"
      "<w:p><w:r><w:t>Last</w:t></w:r></w:p>"
      "<w:sectPr><w:pgSz w:w=\"12240\" w:h=\"15840\"/><w:pgMar w:left=\"1000\" w:right=\"1240\"/></w:sectPr>"
      "</w:body></w:document>";
  Excel::detail::TZipArchive zip;
  QString error;
  EXPECT_TRUE(zip.Create(file, error)) << error.toStdString();
  zip.Put("[Content_Types].xml", "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>");
  zip.Put("_rels/.rels",
          "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
          "<Relationship Id=\"r1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
          "officeDocument\" Target=\"/word/document.xml\"/></Relationships>");
  zip.Put("word/document.xml", doc);
  zip.Put("word/styles.xml", "<w:styles xmlns:w=\"x\"><!-- kept byte for byte --></w:styles>");
  zip.Commit();
  return file;
}

// Top-level blocks of the body in order, each as "p:text" or "tbl:RxC".
QStringList Blocks(const QByteArray& xml) {
  QStringList out;
  const QString s = QString::fromUtf8(xml);
  const int body = s.indexOf("<w:body>");
  int i = body + 8;
  static const QRegularExpression text("<w:t[^>]*>([^<]*)</w:t>");
  while (i < s.size()) {
    if (s.mid(i, 6) == "<w:tbl") {
      const int end = s.indexOf("</w:tbl>", i);
      const QString t = s.mid(i, end - i);
      const int rows = t.count("<w:tr>") + t.count("<w:tr ");
      const int cols = t.count("<w:tc>") / std::max(rows, 1);
      out << QStringLiteral("tbl:%1x%2").arg(rows).arg(cols);
      i = end + 8;
    } else if (s.mid(i, 4) == "<w:p" && (s[i + 4] == u'>' || s[i + 4] == u'/' || s[i + 4] == u' ')) {
      int end = s.indexOf("</w:p>", i);
      const int selfClose = s.indexOf("/>", i);
      const int gt = s.indexOf('>', i);
      if (selfClose + 1 == gt) end = gt - 5;  // <w:p/>
      QString joined;
      auto it = text.globalMatch(s.mid(i, end - i));
      while (it.hasNext()) joined += it.next().captured(1);
      out << "p:" + joined;
      i = end + 6;
    } else if (s.mid(i, 8) == "<w:sectP" || s.mid(i, 9) == "</w:body>") {
      break;
    } else {
      ++i;
    }
  }
  return out;
}

std::unique_ptr<TKitStringGrid> Grid() {
  auto g = NewGrid();
  g->SetColCount(3);
  g->SetRowCount(2);
  g->SetCells(0, 0, "a");
  g->SetCells(1, 0, "two\r\nlines");
  g->SetCells(2, 0, QString("tab\there") + QChar(0x1) + "x");
  g->SetCells(0, 1, "Zoë");
  g->SetCells(2, 1, "right");
  g->OnGetAlignment = [](TObject*, int ARow, int ACol, TAlignment& HA, TVAlignment&) {
    if (ACol == 2 && ARow == 1) HA = taRightJustify;
    if (ACol == 0 && ARow == 1) HA = taCenter;
  };
  g->SetText("Caption");
  return g;
}

TEST(GridWord, NewDocumentPackage) {
  testsupport::TempDir dir;
  auto g = Grid();
  const QString file = dir.File("out.docx");
  g->SaveToDOC(file, true);
  const QByteArray xml = Part(file, "word/document.xml");
  const QString s = QString::fromUtf8(xml);
  EXPECT_EQ(Blocks(xml), (QStringList{"tbl:2x3", "p:Caption", "p:"})) << xml.toStdString();
  // The control character dropped, the tab kept as a tab; a multi-line cell
  // gets one paragraph per line.
  EXPECT_TRUE(xml.contains("<w:t xml:space=\"preserve\">tab</w:t><w:tab/><w:t xml:space=\"preserve\">herex</w:t>"))
      << xml.toStdString();
  EXPECT_TRUE(QRegularExpression("two</w:t></w:r></w:p><w:p><w:r><w:t[^>]*>lines").match(s).hasMatch()) << s.toStdString();
  EXPECT_TRUE(QRegularExpression("<w:jc w:val=\"center\"/></w:pPr><w:r><w:t[^>]*>Zoë").match(s).hasMatch());
  EXPECT_TRUE(QRegularExpression("<w:jc w:val=\"right\"/></w:pPr><w:r><w:t[^>]*>right").match(s).hasMatch());
  EXPECT_EQ(xml.count("<w:jc "), 2);
  EXPECT_TRUE(xml.contains("<w:gridCol w:w=\"3008\"/>"));  // (11906 - 2 x 1440) / 3
  EXPECT_TRUE(Part(file, "[Content_Types].xml").contains("wordprocessingml.document.main+xml"));

  // Hidden columns are left out.
  g->HideColumn(1);
  g->SaveToDOC(file, true);
  const QByteArray hidden = Part(file, "word/document.xml");
  EXPECT_EQ(Blocks(hidden), (QStringList{"tbl:2x2", "p:Caption", "p:"}));
  EXPECT_FALSE(hidden.contains("lines"));
  EXPECT_TRUE(hidden.contains("herex"));
}

TEST(GridWord, AppendAtTheBookmarkOrAtTheEnd) {
  testsupport::TempDir dir;
  auto g = Grid();
  const QString marked = MakeDocument(dir.File("marked.docx"));
  const QByteArray styles = Part(marked, "word/styles.xml");
  g->AppendToDoc(marked, "mark");
  EXPECT_EQ(Blocks(Part(marked, "word/document.xml")),
            (QStringList{"p:Caption", "p:First", "tbl:2x3", "p:Marked", "p:Last"}));
  EXPECT_EQ(Part(marked, "word/styles.xml"), styles);
  // The section's text width: 12240 - 1000 - 1240, in three columns.
  EXPECT_TRUE(Part(marked, "word/document.xml").contains("<w:gridCol w:w=\"3333\"/>"));

  const QString ended = MakeDocument(dir.File("ended.docx"));
  g->AppendToDoc(ended, "unknown");
  EXPECT_EQ(Blocks(Part(ended, "word/document.xml")),
            (QStringList{"p:Caption", "p:First", "p:Marked", "p:Last", "tbl:2x3", "p:"}));
  const QByteArray after = Part(ended, "word/document.xml");
  EXPECT_LT(after.indexOf("</w:tbl>"), after.indexOf("<w:sectPr"));
}

TEST(GridWord, FilesThatAreNotDocumentsAreLeftAlone) {
  testsupport::TempDir dir;
  auto g = Grid();
  struct Case {
    const char* Name;
    QByteArray Bytes;
  };
  // A zip without a main part, one whose main part is not a document, one
  // with an entity declaration, plain bytes and a legacy document header.
  auto zipWith = [&](const char* name, const QByteArray& main) {
    const QString f = dir.File(name);
    Excel::detail::TZipArchive zip;
    QString error;
    zip.Create(f, error);
    zip.Put("x.txt", "x");
    if (!main.isNull()) zip.Put("word/document.xml", main);
    zip.Commit();
    return testsupport::ReadBytes(f);
  };
  const Case cases[] = {
      {"nomain.docx", zipWith("z1", QByteArray())},
      {"notword.docx", zipWith("z2", "<html><body/></html>")},
      {"dtd.docx", zipWith("z3", "<!DOCTYPE d [<!ENTITY e \"x\">]><w:document "
                                 "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
                                 "<w:body>&e;</w:body></w:document>")},
      {"broken.docx", zipWith("z4", "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/"
                                    "main\"><w:body><w:p>")},
      {"text.docx", "just some text"},
      {"legacy.doc", QByteArray::fromHex("D0CF11E0A1B11AE1") + QByteArray(600, '\0')},
  };
  for (const Case& c : cases) {
    const QString file = dir.File(c.Name);
    testsupport::WriteBytes(file, c.Bytes);
    const QString msg = testsupport::ErrorOf<EKitGridError>([&] { g->AppendToDoc(file, "mark"); });
    EXPECT_EQ(msg, "Incorrect Word document") << c.Name;
    EXPECT_EQ(testsupport::ReadBytes(file), c.Bytes) << c.Name;
  }
  const QString missing = dir.File("missing.docx");
  EXPECT_NE(testsupport::ErrorOf<EKitGridError>([&] { g->AppendToDoc(missing); }), "<no EKitGridError>");
  EXPECT_FALSE(QFile::exists(missing));
  // A folder that cannot be written: the save fails with its cause.
  EXPECT_TRUE(testsupport::ErrorOf<EKitGridError>([&] { g->SaveToDOC(dir.File("no/such/folder/x.docx")); })
                  .startsWith("Cannot write"));
}

}  // namespace
