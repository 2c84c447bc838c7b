// The printed grid read back by poppler: pdfinfo counts and sizes the pages
// of the PDF the grid prints through the printer object, pdftotext reads
// their texts (cells, headers, footers, page numbers) and where they stand.
// Skipped when poppler-utils is missing (scripts/install-deps installs it).

#include <gtest/gtest.h>

#include <QPageSize>
#include <QPrinter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "grid/model/KitGrid.h"
#include "platform/vcl/Printers.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/OfficeTools.h"
#include "tests/support/TestSupport.h"

using gridtest::NewGrid;

namespace {

QString RunPoppler(const QString& Program, const QStringList& Args) {
  return QString::fromUtf8(officetest::RunProcess(Program, Args, 60000).Out);
}

// Prints into a PDF file through a printer object of its own, put in the
// process printer's place for the test's life.
class PdfPrint : public ::testing::Test {
 protected:
  void SetUp() override {
    if (QStandardPaths::findExecutable("pdfinfo").isEmpty() || QStandardPaths::findExecutable("pdftotext").isEmpty())
      GTEST_SKIP() << "poppler-utils not installed";
    pdf = dir.filePath("grid.pdf");
    auto* prn = new TPrinter;
    prn->QtPrinter()->setOutputFormat(QPrinter::PdfFormat);
    prn->QtPrinter()->setOutputFileName(pdf);
    prn->QtPrinter()->setPageSize(QPageSize(QPageSize::A4));
    previous = SetPrinter(prn);
  }
  void TearDown() override {
    if (previous || !pdf.isEmpty()) delete SetPrinter(previous);
  }
  int Pages() {
    const QRegularExpressionMatch mt =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(RunPoppler("pdfinfo", {pdf}));
    return mt.hasMatch() ? mt.captured(1).toInt() : -1;
  }
  QString PageSize() {
    const QRegularExpressionMatch mt =
        QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+ x [0-9.]+)")).match(RunPoppler("pdfinfo", {pdf}));
    return mt.captured(1);
  }
  QString PageText(int Page) {
    return RunPoppler("pdftotext", {"-layout", "-f", QString::number(Page), "-l", QString::number(Page), pdf, "-"});
  }
  // The box (points) of the first word equal to Word on page Page.
  QRectF WordBox(int Page, const QString& Word) {
    const QString html =
        RunPoppler("pdftotext", {"-bbox", "-f", QString::number(Page), "-l", QString::number(Page), pdf, "-"});
    const QRegularExpression re(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">%1</word>")
            .arg(QRegularExpression::escape(Word)));
    const QRegularExpressionMatch mt = re.match(html);
    if (!mt.hasMatch()) return QRectF();
    return QRectF(QPointF(mt.captured(1).toDouble(), mt.captured(2).toDouble()),
                  QPointF(mt.captured(3).toDouble(), mt.captured(4).toDouble()));
  }
  // The left edge (points) of the first word equal to Word on page Page.
  double WordX(int Page, const QString& Word) {
    const QString html =
        RunPoppler("pdftotext", {"-bbox", "-f", QString::number(Page), "-l", QString::number(Page), pdf, "-"});
    const QRegularExpression re(
        QStringLiteral("<word xMin=\"([0-9.]+)\"[^>]*>%1</word>").arg(QRegularExpression::escape(Word)));
    const QRegularExpressionMatch mt = re.match(html);
    return mt.hasMatch() ? mt.captured(1).toDouble() : -1;
  }

  QTemporaryDir dir;
  QString pdf;
  TPrinter* previous = nullptr;
};

// A grid of Rows x Cols with "R<row>C<col>" texts and a fixed header row
// "Head<col>".
std::unique_ptr<TKitStringGrid> NumberedGrid(int Rows, int Cols) {
  auto g = NewGrid();
  g->SetColCount(Cols);
  g->SetRowCount(Rows + 1);
  g->SetFixedRows(1);
  g->SetFixedCols(0);
  for (int c = 0; c < Cols; ++c) {
    g->SetCells(c, 0, QStringLiteral("Head%1").arg(c));
    for (int r = 1; r <= Rows; ++r) g->SetCells(c, r, QStringLiteral("R%1C%2").arg(r).arg(c));
  }
  return g;
}

TEST_F(PdfPrint, ThePagesCountedAreThePagesPrintedAndTheirSizeFollowsTheOrientation) {
  auto g = NumberedGrid(150, 3);
  g->Print();
  const int pages = Pages();
  EXPECT_GT(pages, 1);
  EXPECT_EQ(pages, g->PrintNrOfPages());
  EXPECT_EQ(PageSize(), "595 x 842");
  // Every row is printed once, in order, across the pages.
  QString all;
  for (int p = 1; p <= pages; ++p) all += PageText(p);
  for (int r : {1, 75, 150}) EXPECT_EQ(all.count(QStringLiteral("R%1C0 ").arg(r)), 1) << r;
  EXPECT_LT(all.indexOf("R10C0"), all.indexOf("R140C0"));

  g->PrintSettings()->SetOrientation(poLandscape);
  g->Print();
  EXPECT_EQ(PageSize(), "842 x 595");
  EXPECT_EQ(Pages(), g->PrintNrOfPages());
  EXPECT_GT(g->PrintNrOfPages(), pages);  // fewer rows fit on a landscape page
}

TEST_F(PdfPrint, AGridWiderThanThePageIsCutIntoBandsAndFitToPageScalesItOntoOne) {
  auto g = NumberedGrid(10, 14);
  for (int c = 0; c < 14; ++c) g->SetCells(c, 1, QStringLiteral("Wide%1_xxxxxxxxxxxxxxxxxxxx").arg(c));
  g->PrintSettings()->SetPageNr(TPrintPosition::ppBottomCenter);
  g->Print();
  ASSERT_GT(g->PrintBandCount(), 1);
  EXPECT_EQ(Pages(), g->PrintBandCount());  // ten rows fit on one page per band
  EXPECT_EQ(Pages(), g->PrintNrOfPages());
  // Band pages are numbered page-band; each column is printed in one band only.
  const QString kept = testsupport::TestOutputFolder() + "/grid-print-bands.pdf";
  QFile::remove(kept);
  QFile::copy(pdf, kept);
  const QRegularExpression first(QStringLiteral("\\s1-1\\s")), second(QStringLiteral("\\s1-2\\s"));
  EXPECT_TRUE(PageText(1).contains(first)) << PageText(1).toStdString();
  EXPECT_TRUE(PageText(2).contains(second));
  QString all;
  for (int p = 1; p <= Pages(); ++p) all += PageText(p);
  for (int c = 0; c < 14; ++c) EXPECT_EQ(all.count(QStringLiteral("Wide%1_").arg(c)), 1) << c;

  for (TFitToPage fit : {fpShrink, fpAlways}) {
    g->PrintSettings()->SetFitToPage(fit);
    g->Print();
    EXPECT_EQ(g->PrintBandCount(), 1);
    EXPECT_EQ(Pages(), 1);
    EXPECT_TRUE(PageText(1).contains("Wide0_") && PageText(1).contains("Wide13_"));
  }
  // Growing never shrinks: the wide grid still needs its bands.
  g->PrintSettings()->SetFitToPage(fpGrow);
  g->Print();
  EXPECT_GT(g->PrintBandCount(), 1);
}

TEST_F(PdfPrint, ANarrowGridIsCentredOrStartsAtTheLeftMargin) {
  auto g = NumberedGrid(3, 2);
  g->PrintSettings()->SetLeftSize(200);  // 20 mm
  g->Print();
  const double centred = WordX(1, "Head0");
  g->PrintSettings()->SetCentered(false);
  g->Print();
  const double left = WordX(1, "Head0");
  ASSERT_GT(left, 0);
  // 20 mm = 56.7 pt from the printable area's edge, plus the text's margin.
  EXPECT_GT(left, 56);
  EXPECT_LT(left, 80);
  EXPECT_GT(centred, left + 100);
  // Centred: the grid's middle lies at the page's middle.
  const double right = WordX(1, "Head1");
  EXPECT_GT(right, left);
}

TEST_F(PdfPrint, PageBreaksComeFromTheEventAndTheFixedRowsHeadEveryPageWhenRepeated) {
  auto g = NumberedGrid(150, 2);
  g->OnPrintNewPage = [](TObject*, int ARow, bool& NewPage) { NewPage = ARow == 11; };
  g->Print();
  ASSERT_GE(Pages(), 3);
  EXPECT_TRUE(PageText(1).contains("R10C0"));
  EXPECT_FALSE(PageText(1).contains("R11C0"));
  EXPECT_TRUE(PageText(2).contains("R11C0"));
  EXPECT_FALSE(PageText(2).contains("Head0"));  // not repeated by default

  g->PrintSettings()->SetRepeatFixedRows(true);
  g->Print();
  for (int p = 1; p <= Pages(); ++p) EXPECT_EQ(PageText(p).count("Head0"), 1) << "page " << p;

  // A range starting below the fixed rows gets them on its first page too.
  g->OnPrintNewPage = nullptr;
  g->PrintRect(MakeGridRect(0, 5, 1, 8));
  EXPECT_EQ(Pages(), 1);
  EXPECT_TRUE(PageText(1).contains("Head0"));
  EXPECT_TRUE(PageText(1).contains("R5C0"));
  EXPECT_FALSE(PageText(1).contains("R4C0"));
}

struct PageNrCase {
  const char* Name;
  int Rows;
  QString Prefix, Suffix, Sep;
  int NumberOffset, TotalOffset;
  int Page;
  QString Expected;  // as pdftotext reads it, blanks trimmed
};

TEST_F(PdfPrint, HeadersAndFootersCarryTitlesAndPageNumbers) {
  auto g = NumberedGrid(150, 2);
  g->Print();
  const int total = g->PrintNrOfPages();
  ASSERT_GE(total, 3);
  const QString t = QString::number(total);
  const std::vector<PageNrCase> cases = {
      {"prefix and total", 150, "Page", "", "/", 0, 0, 2, "Page 2/" + t},
      {"offsets", 150, "", "", "/", 10, 10, 1, "11/" + QString::number(total + 10)},
      {"no separator", 150, "p.", "end", "", 0, 0, 3, "p. 3 end"},
      {"one page: number only", 5, "Page", "", "/", 0, 0, 1, "Page 1"},
  };
  for (const PageNrCase& c : cases) {
    auto h = NumberedGrid(c.Rows, 2);
    TPrintSettings* ps = h->PrintSettings();
    ps->SetPageNr(TPrintPosition::ppTopRight);
    ps->SetPagePrefix(c.Prefix);
    ps->SetPageSuffix(c.Suffix);
    ps->SetPageNumSep(c.Sep);
    ps->SetPageNumberOffset(c.NumberOffset);
    ps->SetMaxPagesOffset(c.TotalOffset);
    ps->SetTitle(TPrintPosition::ppTopLeft);
    ps->SetTitleText("Leads of the week");
    ps->SetDate(TPrintPosition::ppBottomLeft);
    ps->SetDateFormat("yyyy");
    h->Print();
    const QString text = PageText(c.Page);
    QStringList lines = text.split('\n');
    lines.removeIf([](const QString& l) { return l.trimmed().isEmpty(); });
    ASSERT_FALSE(lines.isEmpty()) << c.Name;
    // The header line holds the title at the left and the number at the right.
    EXPECT_TRUE(lines.first().contains("Leads of the week")) << c.Name << ": " << lines.first().toStdString();
    EXPECT_TRUE(lines.first().simplified().endsWith(c.Expected)) << c.Name << ": " << lines.first().toStdString();
    // The footer's date is the last line.
    EXPECT_TRUE(lines.last().simplified().startsWith(QString::number(QDate::currentDate().year())))
        << c.Name << ": " << lines.last().toStdString();
  }
}

TEST_F(PdfPrint, AnEmptyGridPrintsABlankPageAndAnEmptyRangeOrPageRangeNoDocument) {
  auto g = NewGrid();
  g->SetColCount(0);
  g->SetRowCount(0);  // the grid keeps one empty cell
  EXPECT_NO_THROW(g->Print());
  EXPECT_EQ(g->PrintNrOfPages(), 1);
  EXPECT_EQ(Pages(), 1);
  EXPECT_TRUE(PageText(1).trimmed().isEmpty());

  QFile::remove(pdf);
  auto e = NumberedGrid(5, 2);
  for (const TGridRect& r : {MakeGridRect(1, 0, 0, 3), MakeGridRect(0, 4, 1, 2), MakeGridRect(0, 0, 7, 3)}) {
    EXPECT_NO_THROW(e->PrintRect(r));
    EXPECT_EQ(e->PrintNrOfPages(), 0);
    EXPECT_FALSE(QFile::exists(pdf));
  }

  auto h = NumberedGrid(20, 2);
  QFile::remove(pdf);
  h->OnPrintStart = [](TObject*, int, int& From, int& To) { From = 3, To = 2; };
  h->Print();
  EXPECT_FALSE(QFile::exists(pdf));
  h->OnPrintStart = [](TObject*, int, int& From, int& To) { From = 1, To = 1; };
  h->Print();
  EXPECT_EQ(Pages(), 1);
}

TEST_F(PdfPrint, AbsurdMarginsRaiseAClearErrorAndLeaveNoDocument) {
  auto g = NumberedGrid(20, 2);
  g->PrintSettings()->SetLeftSize(3000);
  g->PrintSettings()->SetRightSize(3000);
  EXPECT_EQ(testsupport::RaisedMessage([&] { g->Print(); }), "The print margins leave no room on the page");
  EXPECT_FALSE(QFile::exists(pdf));
  g->PrintSettings()->SetLeftSize(0);
  g->PrintSettings()->SetRightSize(0);
  g->PrintSettings()->SetHeaderSize(100000);
  EXPECT_EQ(testsupport::RaisedMessage([&] { g->Print(); }), "The print margins leave no room on the page");
  g->PrintSettings()->SetHeaderSize(-100000);  // a negative margin is not room either
  g->PrintSettings()->SetHeaderSize(0);
  EXPECT_NO_THROW(g->Print());
  EXPECT_EQ(Pages(), 1);
}

// A rich-text cell goes on paper as its text, never as its RTF source.
TEST_F(PdfPrint, ARichTextCellPrintsItsTextNotItsSource) {
  auto g = NumberedGrid(3, 2);
  g->SetCells(1, 2, QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\b Boldly\\b0  plain\\par}"));
  g->Print();
  const QString text = PageText(1);
  EXPECT_TRUE(text.contains(QStringLiteral("Boldly plain"))) << text.toStdString();
  EXPECT_FALSE(text.contains(QStringLiteral("rtf1"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("R3C1")));
}

TEST_F(PdfPrint, ARichTextCellKeepsItsFormattingOnPaper) {
  auto g = NumberedGrid(3, 2);
  g->SetColWidths(1, 200);
  g->SetRowHeights(2, 40);
  g->SetCells(1, 2,
              QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red200\\green0\\blue0;}"
                             "\\f0\\fs20 Small \\fs48\\b\\cf1 Large\\par}"));
  g->Print();
  const QString text = PageText(1);
  EXPECT_FALSE(text.contains(QStringLiteral("rtf1"))) << text.toStdString();
  // Sizes as the rich text gives them: 24 points against 10, as text (not
  // pixels) in the document.
  const QRectF small = WordBox(1, "Small"), large = WordBox(1, "Large"), plain = WordBox(1, "R3C1");
  ASSERT_FALSE(small.isEmpty()) << text.toStdString();
  ASSERT_FALSE(large.isEmpty()) << text.toStdString();
  ASSERT_FALSE(plain.isEmpty());
  EXPECT_GT(large.height(), 2 * small.height());
  EXPECT_NEAR(small.height(), plain.height(), plain.height() / 2);
  // One baseline: the small word's bottom near the large word's bottom.
  EXPECT_NEAR(small.bottom(), large.bottom(), large.height() / 3);
  EXPECT_LT(small.right(), large.left());
  // The bold run is set in a bold face.
  if (!QStandardPaths::findExecutable("pdffonts").isEmpty())
    EXPECT_TRUE(RunPoppler("pdffonts", {pdf}).contains(QStringLiteral("Bold")));
}

TEST_F(PdfPrint, AButtonCellPrintsItsCaptionAsText) {
  auto g = NumberedGrid(3, 2);
  g->PrintSettings()->SetPrintGraphics(true);
  g->SetCells(0, 2, QString());
  g->AddButton(0, 2, 60, 18, QStringLiteral("Pushme"), haLeft, vaTop);
  g->Print();
  EXPECT_TRUE(PageText(1).contains(QStringLiteral("Pushme"))) << PageText(1).toStdString();
}

TEST_F(PdfPrint, FastPrintSkipsTheCountButPrintsEveryPage) {
  auto g = NumberedGrid(150, 2);
  g->Print();
  const int counted = Pages();
  g->PrintSettings()->SetPageNr(TPrintPosition::ppTopRight);
  g->SetFastPrint(true);
  g->Print();
  EXPECT_EQ(Pages(), counted);  // no page is lost without the count
  EXPECT_TRUE(PageText(1).contains("1/2147483647"));
  EXPECT_TRUE(PageText(counted).contains(QStringLiteral("%1/2147483647").arg(counted)));
}

TEST_F(PdfPrint, DateAndTimeAtTheSamePlaceReadDateThenTime) {
  auto g = NumberedGrid(3, 2);
  g->PrintSettings()->SetDate(TPrintPosition::ppBottomLeft);
  g->PrintSettings()->SetTime(TPrintPosition::ppBottomLeft);
  g->PrintSettings()->SetDateFormat("dd/mm/yyyy");
  g->Print();
  QStringList lines = PageText(1).split('\n');
  lines.removeIf([](const QString& l) { return l.trimmed().isEmpty(); });
  ASSERT_FALSE(lines.isEmpty());
  EXPECT_TRUE(lines.last().trimmed().contains(QRegularExpression("^\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d$")))
      << lines.last().toStdString();
}

TEST_F(PdfPrint, ARotatedCellOfThreeLinesPrintsThemSideBySide) {
  auto g = NumberedGrid(4, 3);
  g->CreateCellGraphic(1, 2)->SetAngle(90);
  g->SetCells(1, 2, "AAA\r\nBBB\r\nCCC");
  g->CreateCellGraphic(2, 3)->SetCheckBox(true, false, false, haLeft, vaCenter);
  g->PrintSettings()->SetPrintGraphics(true);
  g->Print();
  const QString kept = testsupport::TestOutputFolder() + "/grid-print-rotated.pdf";
  QFile::remove(kept);
  QFile::copy(pdf, kept);
  const QRectF a = WordBox(1, "AAA"), b = WordBox(1, "BBB"), c = WordBox(1, "CCC");
  ASSERT_FALSE(a.isNull());
  ASSERT_FALSE(b.isNull());
  ASSERT_FALSE(c.isNull());
  // Upright boxes: taller than wide; the lines follow each other to the right.
  EXPECT_GT(a.height(), a.width());
  EXPECT_LT(a.left(), b.left());
  EXPECT_LT(b.left(), c.left());
  EXPECT_LT(std::abs(a.top() - c.top()), 2.0);
  // The row is as tall as the rotated text, and the column stays in order.
  const QRectF r1 = WordBox(1, "R1C1"), r3 = WordBox(1, "R3C1");
  EXPECT_GT(r3.top() - r1.top(), a.height());
}

}  // namespace
