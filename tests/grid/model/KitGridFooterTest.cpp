// The floating footer: showing and hiding it (fixed footer rows, the added
// preview row, the hidden last row), its calculation of every column type
// over the data rows, the preview template, and the panel painted in each
// style.

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>

#include "grid/model/KitGrid.h"
#include "platform/vcl/Forms.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/harness/Harness.h"
#include "tests/support/PixelProbes.h"
#include "tests/support/TestSupport.h"

using gridtest::NewGrid;

namespace {

// One fixed row, three data rows and the footer row; column 1 holds
// 10, text, 20; column 2 is empty; column 3 holds a, A, b.
std::unique_ptr<TKitStringGrid> FooterGrid() {
  auto g = NewGrid();
  g->SetColCount(5);
  g->SetFixedRows(1);
  g->SetRowCount(5);
  const QStringList c1{"10", "text", "20"}, c3{"a", "A", "b"};
  for (int i = 0; i < 3; ++i) {
    g->SetCells(1, i + 1, c1[i]);
    g->SetCells(3, i + 1, c3[i]);
  }
  return g;
}

}  // namespace

TEST(GridFooter, ShowingTheLastRowFooterFixesItsRow) {
  auto g = FooterGrid();
  g->SetCells(1, 4, "1000");
  EXPECT_DOUBLE_EQ(g->ColumnSum(1), 1030);
  g->FloatingFooter()->SetVisible(true);
  EXPECT_EQ(g->FixedFooters(), 1);
  EXPECT_TRUE(g->HideLastRow());
  EXPECT_EQ(g->RowCount(), 5);
  // The aggregates stop before the footer row.
  EXPECT_DOUBLE_EQ(g->ColumnSum(1), 30);
  EXPECT_DOUBLE_EQ(g->ColumnCount(1), 3);
  g->FloatingFooter()->SetVisible(false);
  EXPECT_EQ(g->FixedFooters(), 0);
  EXPECT_FALSE(g->HideLastRow());
}

TEST(GridFooter, PreviewStylesAddOneRowAndRemoveIt) {
  auto g = FooterGrid();
  g->FloatingFooter()->SetFooterStyle(fsColumnPreview);
  g->FloatingFooter()->SetVisible(true);
  EXPECT_EQ(g->RowCount(), 6);
  EXPECT_EQ(g->FixedFooters(), 0);
  g->FloatingFooter()->SetVisible(true);
  EXPECT_EQ(g->RowCount(), 6);
  g->FloatingFooter()->SetFooterStyle(fsCustomPreview);
  EXPECT_EQ(g->RowCount(), 6);
  g->FloatingFooter()->SetVisible(false);
  EXPECT_EQ(g->RowCount(), 5);
  g->FloatingFooter()->SetVisible(true);
  g->FloatingFooter()->SetFooterStyle(fsFixedLastRow);
  EXPECT_EQ(g->RowCount(), 5);
}

// Each calculation type written into the footer cell by the footer
// calculation, over the data rows only.
TEST(GridFooter, CalculationWritesEveryColumnType) {
  auto g = FooterGrid();
  g->SetFloatFormat("%.2f");
  g->FloatingFooter()->SetVisible(true);
  struct TTypeCase {
    TColumnCalcType Type;
    int Col;
    QString Expected;
  } cases[] = {
      {acSUM, 1, "30.00"},       // the text cell is skipped
      {acAVG, 1, "10.00"},       // ... but divides
      {acMIN, 1, "10.00"},       //
      {acMAX, 1, "20.00"},       //
      {acCOUNT, 1, "3"},         // data rows
      {acDISTINCT, 3, "2.00"},   // a, A, b without case
      {acSTDDEV, 2, "0.00"},     // empty cells count as 0
      {acSUM, 2, "0.00"},        // an empty column
      {acNONE, 4, "keep"},       // nothing written
      {acSPREAD, 4, "keep"},     //
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.Type));
    g->SetCells(c.Col, 4, "keep");
    g->FloatingFooter()->SetColumnCalc(c.Col, c.Type);
    EXPECT_EQ(g->FloatingFooter()->GetColumnCalc(c.Col), c.Type);
    EXPECT_EQ(g->Cells(c.Col, 4), c.Expected);
  }
  // A column with no cell properties in its footer cell has no type.
  EXPECT_EQ(g->FloatingFooter()->GetColumnCalc(0), acNONE);
  // Cells changed later are counted by the next recalculation.
  g->FloatingFooter()->SetColumnCalc(1, acSUM);
  g->SetCells(1, 2, "5");
  g->RecalcAllFooters();
  EXPECT_EQ(g->Cells(1, 4), "35.00");
}

TEST(GridFooter, CustomColumnsAskTheGridThenTheFooter) {
  auto g = FooterGrid();
  g->FloatingFooter()->SetVisible(true);
  g->FloatingFooter()->SetColumnCalc(2, acCUSTOM);
  EXPECT_EQ(g->Cells(2, 4), "");
  int askedRow = -1;
  g->FloatingFooter()->OnCalcFooter = [&](TObject*, int ACol, int ARow, QString& Value) {
    askedRow = ARow;
    Value = QStringLiteral("footer %1").arg(ACol);
  };
  g->RecalcFooterColumn(2);
  EXPECT_EQ(g->Cells(2, 4), "footer 2");
  EXPECT_EQ(askedRow, 4);
  g->OnCalcFooter = [](TObject*, int, int, QString& Value) { Value = "grid"; };
  g->CalcFooter(-1);
  EXPECT_EQ(g->Cells(2, 4), "grid");
}

TEST(GridFooter, NoCalculationWhenSwitchedOffOrInAnotherStyle) {
  auto g = FooterGrid();
  g->FloatingFooter()->SetVisible(true);
  g->FloatingFooter()->SetColumnCalc(1, acSUM);
  EXPECT_EQ(g->Cells(1, 4), Format(g->FloatFormat(), {30.0}));
  g->SetCells(1, 4, "old");
  g->FloatingFooter()->SetEnableCalculation(false);
  g->RecalcAllFooters();
  EXPECT_EQ(g->Cells(1, 4), "old");
  g->FloatingFooter()->SetEnableCalculation(true);
  g->FloatingFooter()->SetVisible(false);
  g->RecalcAllFooters();
  EXPECT_EQ(g->Cells(1, 4), "old");
}

TEST(GridFooter, TemplateTags) {
  auto g = FooterGrid();
  g->SetCells(1, 2, "Smith");
  g->SetCells(3, 2, "42");
  g->SetRow(2);
  struct TTemplateCase {
    const char* Template;
    const char* Expected;
  } cases[] = {
      {"Name: <#1> (<#3>)", "Name: Smith (42)"},
      {"<#1><#1>", "SmithSmith"},
      {"no tags", "no tags"},
      {"", ""},
      {"<#x> gone", " gone"},       // not an integer: the tag disappears
      {"<#9>|<#-1>|", "||"},        // not a column: nothing
      {"a <#1", "a <#1"},           // no closing ">": kept as written
      {"<b><#1></b>", "<b>Smith</b>"},  // other tags pass
      {"<#1>>", "Smith>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Template);
    EXPECT_EQ(g->ExpandFooterTemplate(QString::fromUtf8(c.Template)), QString::fromUtf8(c.Expected));
  }
  // A merged cell gives its base cell's text.
  g->MergeCells(3, 1, 1, 2);
  g->SetCells(3, 1, "base");
  EXPECT_EQ(g->ExpandFooterTemplate("<#3>"), "base");
}

// ---------------------------------------------------------------------------
// The panel painted

namespace {

class FooterPaintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(10, 10, 500, 300);
    Grid = Create<TKitStringGrid>(Form.get());
    Grid->SetBounds(0, 0, 420, 200);
    Grid->SetBorderStyle(bsNone);
    Grid->SetScrollBars(ssNone);
    Grid->SetColCount(4);
    Grid->SetRowCount(6);
    Grid->SetFixedRows(1);
    Grid->SetFixedCols(1);
    Grid->SetDefaultColWidth(90);
    Grid->SetDefaultRowHeight(22);
    Grid->SetColor(0xFFFFFF);
    for (int r = 1; r <= 4; ++r) {
      Grid->SetCells(1, r, QString::number(r * 100));
      Grid->SetCells(2, r, QStringLiteral("name %1").arg(r));
    }
    Grid->SetParent(Form.get());
    ASSERT_TRUE(vcltest::ShowAndActivate(Form.get()));
  }
  void TearDown() override {
    Form.reset();
    vcltest::Pump();
  }
  QImage PaintFooter() {
    TFooterPanel* panel = Grid->FooterPanel();
    vcltest::Pump();
    panel->WidgetIfAllocated()->repaint();
    return panel->BackBuffer().copy();
  }
  static void Keep(const QImage& Image, const QString& Name) {
    const QString dir = qEnvironmentVariable("TF_TEST_PICTURES");
    if (!dir.isEmpty()) Image.save(QDir(dir).filePath(Name));
  }
  std::unique_ptr<TForm> Form;
  TKitStringGrid* Grid = nullptr;
};

// Columns 0..3 are 90 wide: the painted width is 360 of the panel's 420.
constexpr int kPainted = 360;

}  // namespace

TEST_F(FooterPaintTest, LastRowStyleShowsTheCalculatedCells) {
  TFloatingFooter* ff = Grid->FloatingFooter();
  ff->SetColor(0xC0FFC0);  // light green
  ff->SetBorderColor(0x0000FF);
  ff->SetVisible(true);
  ff->SetColumnCalc(1, acSUM);
  EXPECT_EQ(Grid->Cells(1, 5), Format(Grid->FloatFormat(), {1000.0}));
  const QImage img = PaintFooter();
  Keep(img, "footer-last-row.png");
  ASSERT_GT(img.height(), 10);
  EXPECT_EQ(Grid->FooterPanel()->PaintedWidth(), kPainted);
  // The border line along the top, over the painted width only.
  EXPECT_EQ(probe::BgrAt(img, 50, 0), 0x0000FFu);
  EXPECT_EQ(probe::BgrAt(img, kPainted + 20, 0), 0xFFFFFFu);
  // Beyond the columns: the grid's colour.
  EXPECT_EQ(probe::BgrAt(img, kPainted + 20, img.height() / 2), 0xFFFFFFu);
  // The sum is drawn as text in column 1 (dark pixels there), none in the
  // empty column 3.
  const QRect col1(90 + 2, 2, 86, img.height() - 4), col3(270 + 2, 2, 86, img.height() - 4);
  EXPECT_GT(probe::Count(img, [](QRgb p) { return probe::Luminance(p) < 100; }, col1), 10);
  EXPECT_EQ(probe::Count(img, [](QRgb p) { return probe::Luminance(p) < 100; }, col3), 0);
}

TEST_F(FooterPaintTest, NoBorderLineWithoutBorderColor) {
  TFloatingFooter* ff = Grid->FloatingFooter();
  ff->SetVisible(true);
  ff->SetBorderColor(0x0000FF);
  const QRect top(0, 0, kPainted, 1);
  EXPECT_EQ(probe::Count(PaintFooter(), probe::IsBgr(0x0000FF), top), kPainted);
  ff->SetBorderColor(clNone);
  EXPECT_EQ(probe::Count(PaintFooter(), probe::IsBgr(0x0000FF), top), 0);
}

TEST_F(FooterPaintTest, CustomPreviewDrawsTheExpandedTemplate) {
  TFloatingFooter* ff = Grid->FloatingFooter();
  ff->SetColor(0xFFFFFF);
  ff->SetFooterStyle(fsCustomPreview);
  ff->SetCustomTemplate("<b>Row:</b> <#2>");
  ff->SetVisible(true);
  Grid->SetRow(3);
  const QImage img = PaintFooter();
  Keep(img, "footer-custom-preview.png");
  // The sunken frame: grey along the bottom, white along the top.
  EXPECT_EQ(probe::BgrAt(img, 100, img.height() - 1), 0x808080u);
  EXPECT_EQ(probe::BgrAt(img, kPainted - 1, 5), 0x808080u);
  // Text within the painted part.
  const QRect text(2, 2, kPainted - 4, img.height() - 4);
  EXPECT_GT(probe::Count(img, [](QRgb p) { return probe::Luminance(p) < 100; }, text), 20);
}

TEST_F(FooterPaintTest, CustomPaintLeavesItToTheEvent) {
  TFloatingFooter* ff = Grid->FloatingFooter();
  ff->SetFooterStyle(fsCustomPaint);
  ff->SetColumn(2);
  ff->SetVisible(true);
  int col = -1;
  Grid->OnPaintFooter = [&](TObject*, int ACol, TRect Rect, TCanvas* Canvas) {
    col = ACol;
    Canvas->Brush()->SetColor(0x00FF00);
    Canvas->FillRect(Rect);
  };
  const QImage img = PaintFooter();
  EXPECT_EQ(col, 2);
  EXPECT_EQ(probe::BgrAt(img, 400, 5), 0x00FF00u);
}

TEST_F(FooterPaintTest, HintsOfFooterCells) {
  TFloatingFooter* ff = Grid->FloatingFooter();
  ff->SetVisible(true);
  QStringList asked;
  Grid->OnGridHint = [&](TObject*, int ARow, int ACol, QString& Hint) {
    asked << QStringLiteral("%1,%2").arg(ACol).arg(ARow);
    Hint = QStringLiteral("column %1").arg(ACol);
  };
  auto hintAt = [&](int X, QString& Shown) {
    THintInfo info;
    info.CursorPos = TPoint(X, 5);
    const LRESULT veto = Grid->FooterPanel()->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
    Shown = info.HintStr;
    return veto == 0;
  };
  QString shown;
  // Without ShowHint the event is asked but no hint shows.
  EXPECT_FALSE(hintAt(200, shown));
  ff->SetShowHint(true);
  EXPECT_TRUE(hintAt(200, shown));
  EXPECT_EQ(shown, "column 2");
  // Within the fixed column, and beyond the last column (none: no event).
  EXPECT_TRUE(hintAt(10, shown));
  EXPECT_EQ(shown, "column 0");
  EXPECT_FALSE(hintAt(kPainted + 10, shown));
  EXPECT_EQ(asked, (QStringList{"2,5", "2,5", "0,5"}));
  // Columns under points, and the cell a click reports.
  EXPECT_EQ(Grid->FooterPanel()->ColumnAt(89), 0);
  EXPECT_EQ(Grid->FooterPanel()->ColumnAt(90), 1);
  EXPECT_EQ(Grid->FooterPanel()->ColumnAt(359), 3);
  EXPECT_EQ(Grid->FooterPanel()->ColumnAt(360), -1);
  int col = -1, row = -1;
  Grid->FooterPanel()->MouseToCell(150, 5, col, row);
  EXPECT_EQ(col, 1);
  EXPECT_EQ(row, 5);
}
