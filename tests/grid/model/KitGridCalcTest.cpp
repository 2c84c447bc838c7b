// The grid's aggregates: column sums, averages, counts, minimums, maximums,
// distinct counts, standard deviations and custom values over the data
// rows, with empty, "-", HTML and non-numeric cells, merged areas, grouped
// node and summary rows and hidden columns; row, rectangle and selection
// aggregates; the progress notifications.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>

#include "grid/model/KitGrid.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

// A grid whose node and summary rows are given by the test, with a way to
// group it, that records its progress notifications.
class TCalcGrid : public TKitStringGrid {
 public:
  using TKitStringGrid::TKitStringGrid;
  std::set<int> Nodes, Summaries;
  QStringList Progress;
  bool IsNode(int ARow) override { return Nodes.count(ARow) > 0; }
  bool IsSummary(int ARow) override { return Summaries.count(ARow) > 0; }
  void Group(int ACol) override { SetGroupColumnState(ACol); }
  void UnGroup() override { SetGroupColumnState(-1); }
  void ExportNotification(TGridExportState AState, int ARow) override {
    Progress << QStringLiteral("%1:%2").arg(AState == esExportStart ? "start"
                                            : AState == esExportNextRow ? "row"
                                            : AState == esExportDone    ? "done"
                                                                        : "other")
                    .arg(ARow);
  }
};

// One fixed row, column 1 filled from the list (rows 1..n), ColCount 4.
std::unique_ptr<TCalcGrid> ColumnGrid(const QStringList& Values) {
  auto g = CreateUnique<TCalcGrid>(nullptr);
  g->SetColCount(4);
  g->SetFixedRows(1);
  g->SetRowCount(int(Values.size()) + 1);
  for (int i = 0; i < Values.size(); ++i) g->SetCells(1, i + 1, Values[i]);
  return g;
}

bool Fails(const std::function<void()>& F) {
  try {
    F();
  } catch (const EKitGridError& e) {
    return e.Message() == "Cell does not contain a float value";
  }
  return false;
}

}  // namespace

// Each column of values against every aggregate over the default range.
TEST(GridCalc, ColumnAggregatesOverDataRows) {
  struct TRowCase {
    QStringList Values;
    double Sum, Avg, Count, Min, Max, Distinct;
    bool MinFails, StdDevFails;
  } cases[] = {
      // Non-numeric cells are skipped by the sum but divide the average;
      // the minimum starts at the first cell.
      {{"1", "2", "text", "3"}, 6, 1.5, 4, 1, 3, 4, false, true},
      // An empty first cell starts the minimum at 0.
      {{"", "5", "7"}, 12, 4, 3, 0, 7, 3, false, false},
      // "-" and an empty cell read as 0.
      {{"-", "4", "", "-2"}, 2, 0.5, 4, -2, 4, 4, false, false},
      // HTML is stripped before reading.
      {{"<b>10</b>", "<i>2.5</i>", "1e1"}, 22.5, 7.5, 3, 2.5, 10, 3, false, false},
      // A non-numeric first cell fails the minimum and the maximum.
      {{"text", "1", "2"}, 3, 1, 3, 0, 0, 3, true, true},
      // The typed access reads no number from "n/a" or a single letter: 0.
      {{"n/a", "1", "2"}, 3, 1, 3, 0, 2, 3, false, false},
      // Case-insensitive distinct texts, an empty one among them.
      {{"a", "A", "b", ""}, 0, 0, 4, 0, 0, 3, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Values.join("|").toStdString());
    auto g = ColumnGrid(c.Values);
    EXPECT_DOUBLE_EQ(g->ColumnSum(1), c.Sum);
    EXPECT_DOUBLE_EQ(g->ColumnAvg(1), c.Avg);
    EXPECT_DOUBLE_EQ(g->ColumnCount(1), c.Count);
    EXPECT_DOUBLE_EQ(g->ColumnDistinct(1), c.Distinct);
    if (c.MinFails) {
      EXPECT_TRUE(Fails([&] { g->ColumnMin(1); }));
      EXPECT_TRUE(Fails([&] { g->ColumnMax(1); }));
    } else {
      EXPECT_DOUBLE_EQ(g->ColumnMin(1), c.Min);
      EXPECT_DOUBLE_EQ(g->ColumnMax(1), c.Max);
    }
    EXPECT_EQ(Fails([&] { g->ColumnStdDev(1); }), c.StdDevFails);
  }
}

// The sums read each cell as the typed access does, in a point-decimal and
// a comma-decimal (point-grouping) locale.
TEST(GridCalc, ColumnValuesReadAsTheTypedAccessReadsThem) {
  const QStringList values{"1.5",  "1,234", " 7 ",     "(2)",   "<b>3</b>", "1e2", "+4",
                           "€ 5", "1.234", "-",       "abc",   "2,5",      "12%", "&lt;1"};
  const TFormatSettings saved = FormatSettings;
  for (const TFormatSettings& fs : {TFormatSettings::Create("en-US"), testsupport::GermanSettings()}) {
    FormatSettings = fs;
    auto g = ColumnGrid(values);
    double expected = 0;
    for (int r = 1; r <= values.size(); ++r) {
      try {
        expected += g->Floats(1, r);
      } catch (const EKitGridError&) {
      }
    }
    EXPECT_DOUBLE_EQ(g->ColumnSum(1), expected) << QString(fs.DecimalSeparator).toStdString();
    EXPECT_DOUBLE_EQ(g->RowSum(1, 0, 3) + g->RowSum(2, 0, 3), g->Floats(1, 1) + g->Floats(1, 2));
  }
  FormatSettings = saved;
}

TEST(GridCalc, StandardDeviationIsThePopulationOne) {
  auto g = ColumnGrid({"2", "4", "4", "4", "5", "5", "7", "9"});
  EXPECT_DOUBLE_EQ(g->ColumnStdDev(1), 2.0);
  EXPECT_DOUBLE_EQ(g->ColumnStdDev(1, 1, 2), 1.0);
  // An empty range gives 0.
  EXPECT_DOUBLE_EQ(g->ColumnStdDev(1, 5, 4), 0.0);
  EXPECT_DOUBLE_EQ(g->ColumnAvg(1, 5, 4), 0.0);
  EXPECT_DOUBLE_EQ(g->ColumnSum(1, 5, 4), 0.0);
}

TEST(GridCalc, ExplicitRangesAndCount) {
  auto g = ColumnGrid({"1", "2", "3", "4", "5"});
  EXPECT_DOUBLE_EQ(g->ColumnSum(1, 2, 4), 9);
  EXPECT_DOUBLE_EQ(g->ColumnCount(1, 2, 4), 3);
  // Either end -1: every data row.
  EXPECT_DOUBLE_EQ(g->ColumnSum(1, 2, -1), 15);
  EXPECT_DOUBLE_EQ(g->ColumnCount(1, 2, -1), 5);
  // Rows past the grid are not read.
  EXPECT_DOUBLE_EQ(g->ColumnSum(1, 1, 9), 15);
  // A column outside the grid counts nothing.
  EXPECT_DOUBLE_EQ(g->ColumnSum(9), 0);
  EXPECT_DOUBLE_EQ(g->ColumnDistinct(-1), 0);
}

TEST(GridCalc, CustomCalcAsksTheEvent) {
  auto g = ColumnGrid({"1", "2"});
  EXPECT_DOUBLE_EQ(g->ColumnCustomCalc(1), 0);
  int from = -9, to = -9;
  g->OnColumnCalc = [&](TObject*, int ACol, int FromRow, int ToRow, double& Res) {
    from = FromRow;
    to = ToRow;
    Res = ACol * 100 + 0.5;
  };
  EXPECT_DOUBLE_EQ(g->ColumnCustomCalc(1), 100.5);
  EXPECT_EQ(from, 1);
  EXPECT_EQ(to, 2);
}

TEST(GridCalc, NodeAndSummaryRowsCountOnlyWithoutGrouping) {
  auto g = ColumnGrid({"100", "1", "2", "50", "3"});
  g->Nodes = {1};
  g->Summaries = {4};
  EXPECT_DOUBLE_EQ(g->ColumnSum(1), 156);
  EXPECT_DOUBLE_EQ(g->ColumnMax(1), 100);
  g->Group(0);
  EXPECT_DOUBLE_EQ(g->ColumnSum(1), 6);
  // The average still divides by every row of the range.
  EXPECT_DOUBLE_EQ(g->ColumnAvg(1), 6.0 / 5);
  // The maximum starts at the first row, read before the checks.
  EXPECT_DOUBLE_EQ(g->ColumnMax(1), 100);
  EXPECT_DOUBLE_EQ(g->ColumnMin(1, 2, 5), 1);
  g->UnGroup();
  EXPECT_DOUBLE_EQ(g->ColumnSum(1), 156);
}

TEST(GridCalc, MergedAreaCountsOnceThroughItsBaseCell) {
  auto g = ColumnGrid({"5", "", "", "1"});
  g->MergeCells(1, 1, 1, 3);  // rows 1..3 show the 5
  EXPECT_EQ(g->Cells(1, 2), "5");
  EXPECT_DOUBLE_EQ(g->ColumnSum(1), 6);
  EXPECT_DOUBLE_EQ(g->ColumnMax(1), 5);
  // Distinct texts read every row: 5 and 1.
  EXPECT_DOUBLE_EQ(g->ColumnDistinct(1), 2);
  // Row sums count a cell merged across columns once.
  g->SetCells(0, 4, "2");
  g->SetCells(2, 4, "3");
  g->SetCells(3, 4, "4");
  EXPECT_DOUBLE_EQ(g->RowSum(4, 0, 3), 10);
  g->MergeCells(2, 4, 2, 1);
  EXPECT_DOUBLE_EQ(g->RowSum(4, 0, 3), 6);
}

TEST(GridCalc, HiddenColumnsLeaveTheVisibleColumnsAggregates) {
  auto g = ColumnGrid({"1", "2", "3"});
  for (int r = 1; r <= 3; ++r) {
    g->SetCells(2, r, QString::number(r * 10));
    g->SetCells(3, r, QString::number(r * 100));
  }
  g->HideColumn(2);
  EXPECT_EQ(g->ColCount(), 3);
  // Columns are addressed by real index: the shown columns hold 1..3 and
  // 100..300, the hidden one is still there to be summed by its index.
  double shown = 0;
  for (int d = 0; d < g->ColCount(); ++d) shown += g->ColumnSum(g->DisplToRealCol(d));
  EXPECT_DOUBLE_EQ(shown, 6 + 600);
  EXPECT_DOUBLE_EQ(g->ColumnSum(3), 600);
  EXPECT_DOUBLE_EQ(g->ColumnMax(3), 300);
  EXPECT_DOUBLE_EQ(g->ColumnSum(2), 60);
  g->UnHideColumn(2);
  EXPECT_DOUBLE_EQ(g->ColumnSum(2), 60);
}

TEST(GridCalc, ProgressReportsEachCountedRow) {
  auto g = ColumnGrid({"1", "2", "text"});
  g->MergeCells(1, 1, 1, 2);  // row 2 is covered
  g->ColumnSum(1);
  // The text cell is reported, then skipped.
  EXPECT_EQ(g->Progress, (QStringList{"start:1", "row:1", "row:3", "done:-1"}));
}

TEST(GridCalc, RowAggregates) {
  auto g = gridtest::NewGrid();
  g->SetColCount(5);
  const QStringList values{"", "4", "text", "-1", "5"};
  for (int c = 0; c < 5; ++c) g->SetCells(c, 2, values[c]);
  EXPECT_DOUBLE_EQ(g->RowSum(2, 0, 4), 8);
  EXPECT_DOUBLE_EQ(g->RowAvg(2, 0, 4), 8.0 / 5);
  EXPECT_DOUBLE_EQ(g->RowMin(2, 0, 4), -1);
  EXPECT_DOUBLE_EQ(g->RowMax(2, 0, 4), 5);
  EXPECT_DOUBLE_EQ(g->RowMin(2, 1, 1), 4);
  // No columns: the sum and average are 0, the extremes the first cell.
  EXPECT_DOUBLE_EQ(g->RowSum(2, 3, 1), 0);
  EXPECT_DOUBLE_EQ(g->RowAvg(2, 3, 1), 0);
  EXPECT_DOUBLE_EQ(g->RowMax(2, 4, 1), 5);
  EXPECT_TRUE(Fails([&] { g->RowMin(2, 2, 4); }));
}

TEST(GridCalc, RectangleAndSelectionAggregates) {
  auto g = gridtest::NewGrid();
  g->SetColCount(4);
  g->SetRowCount(5);
  for (int c = 1; c <= 2; ++c)
    for (int r = 1; r <= 2; ++r) g->SetCells(c, r, QString::number(c * 10 + r));
  // Reversed rectangles are normalised.
  const TGridRect gr = MakeGridRect(2, 2, 1, 1);
  EXPECT_DOUBLE_EQ(g->RectSum(gr), 11 + 12 + 21 + 22);
  EXPECT_DOUBLE_EQ(g->RectAvg(gr), (11 + 12 + 21 + 22) / 4.0);
  EXPECT_DOUBLE_EQ(g->RectMin(gr), 11);
  EXPECT_DOUBLE_EQ(g->RectMax(gr), 22);
  EXPECT_DOUBLE_EQ(g->RectCalc(MakeGridRect(1, 1, 1, 1), ctAvg), 11);
  g->SetCells(3, 3, "text");
  EXPECT_TRUE(Fails([&] { g->RectSum(MakeGridRect(1, 1, 3, 3)); }));

  g->SetCells(2, 3, "5");
  g->SetSelection(MakeGridRect(2, 3, 2, 3));
  EXPECT_DOUBLE_EQ(g->SelectionAvg(), 5);
  EXPECT_DOUBLE_EQ(g->SelectionSum(), 5);
  g->SetSelection(MakeGridRect(1, 1, 2, 2));
  EXPECT_DOUBLE_EQ(g->SelectionMax(), 22);
  EXPECT_DOUBLE_EQ(g->SelectionMin(), 11);
}
