// The grid's word-processor documents against LibreOffice Writer (headless,
// its own profile): a new document and documents LibreOffice made, appended
// to at a bookmark and at the end, converted back to text and HTML. Skips
// only when LibreOffice is not installed (scripts/install-deps installs it).

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

#include "grid/model/KitGrid.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/OfficeTools.h"
#include "tests/support/TestSupport.h"

using gridtest::NewGrid;
using namespace officetest;

namespace {

std::unique_ptr<TKitStringGrid> SmallGrid() {
  auto g = NewGrid();
  g->SetColCount(3);
  g->SetRowCount(3);
  const QStringList texts{u"Nom"_qs,      u"Ville"_qs, u"Prix"_qs, u"Zoë & «Fils»"_qs, u"Lyon"_qs,
                          u"12,50"_qs,    u"日本語"_qs,  u"a<b>c"_qs, u"99"_qs};
  for (int i = 0; i < texts.size(); ++i) g->SetCells(i % 3, i / 3, texts[i]);
  g->OnGetAlignment = [](TObject*, int, int ACol, TAlignment& HA, TVAlignment&) {
    if (ACol == 2) HA = taRightJustify;
    if (ACol == 1) HA = taCenter;
  };
  g->SetText(u"Grid caption"_qs);
  return g;
}

class GridWordInterop : public OfficeFixture {
 protected:
  QString AsText(const QString& docx, const QString& outDir) {
    const QStringList made = Convert(docx, "txt:Text (encoded):UTF8", outDir);
    if (made.isEmpty()) return QString();
    return QString::fromUtf8(testsupport::ReadBytes(made.front()));
  }
  QString AsHtml(const QString& docx, const QString& outDir) {
    const QStringList made = Convert(docx, "html", outDir);
    if (made.isEmpty()) return QString();
    return QString::fromUtf8(testsupport::ReadBytes(made.front()));
  }
  // A document LibreOffice makes from HTML: a heading, a paragraph before
  // the bookmark, the bookmark's paragraph and one after.
  QString Fixture(const QString& name) {
    const QString html = Dir.File(name + ".html");
    testsupport::WriteBytes(html,
                            "<html><body><h1>Report</h1><p>Before text</p>"
                            "<p><a name=\"bm\"></a>Here is the mark</p><p>After text</p></body></html>");
    const QStringList made =
        Convert(html, "docx:MS Word 2007 XML", Dir.File(name), {"--infilter=HTML (StarWriter)"});
    return made.isEmpty() ? QString() : made.front();
  }
};

// Positions of the texts in order; -1 where one is missing.
std::vector<qsizetype> Order(const QString& text, const QStringList& needles) {
  std::vector<qsizetype> at;
  for (const QString& n : needles) at.push_back(text.indexOf(n));
  return at;
}

TEST_F(GridWordInterop, NewDocumentHasTheTableFirstThenTheCaption) {
  REQUIRE_LIBREOFFICE();
  auto g = SmallGrid();
  const QString docx = Dir.File("new.docx");
  g->SaveToDOC(docx, true);
  const QString text = AsText(docx, Dir.File("txt"));
  const auto at = Order(text, {"Nom", "Zoë & «Fils»", "日本語", "a<b>c", "99", "Grid caption"});
  for (size_t i = 0; i < at.size(); ++i) ASSERT_GE(at[i], 0) << i << "\n" << text.toStdString();
  for (size_t i = 1; i < at.size(); ++i) EXPECT_LT(at[i - 1], at[i]) << text.toStdString();

  // Alignment as LibreOffice reads it back: the centred and right columns.
  const QString html = AsHtml(docx, Dir.File("html"));
  const QRegularExpression right(R"re(<p[^>]*align="right"[^>]*>\s*(<[^>]+>\s*)*12,50)re");
  const QRegularExpression centre(R"re(<p[^>]*align="center"[^>]*>\s*(<[^>]+>\s*)*Lyon)re");
  EXPECT_TRUE(right.match(html).hasMatch()) << html.toStdString();
  EXPECT_TRUE(centre.match(html).hasMatch()) << html.toStdString();
  EXPECT_EQ(html.count(QStringLiteral("<tr")), 3);
}

TEST_F(GridWordInterop, AppendKeepsTheDocumentAndPlacesTheTable) {
  REQUIRE_LIBREOFFICE();
  const QString atMark = Fixture("mark");
  ASSERT_FALSE(atMark.isEmpty());
  const QString atEnd = Dir.File("end.docx");
  ASSERT_TRUE(QFile::copy(atMark, atEnd));

  auto g = SmallGrid();
  g->AppendToDoc(atMark, "bm");
  const QString marked = AsText(atMark, Dir.File("t1"));
  const auto m = Order(marked, {"Grid caption", "Report", "Before text", "Nom", "99", "Here is the mark", "After text"});
  for (size_t i = 0; i < m.size(); ++i) ASSERT_GE(m[i], 0) << i << "\n" << marked.toStdString();
  for (size_t i = 1; i < m.size(); ++i) EXPECT_LT(m[i - 1], m[i]) << marked.toStdString();

  g->AppendToDoc(atEnd, "no such mark");
  const QString ended = AsText(atEnd, Dir.File("t2"));
  const auto e = Order(ended, {"Grid caption", "Report", "Before text", "Here is the mark", "After text", "Nom", "99"});
  for (size_t i = 0; i < e.size(); ++i) ASSERT_GE(e[i], 0) << i << "\n" << ended.toStdString();
  for (size_t i = 1; i < e.size(); ++i) EXPECT_LT(e[i - 1], e[i]) << ended.toStdString();
}

}  // namespace
