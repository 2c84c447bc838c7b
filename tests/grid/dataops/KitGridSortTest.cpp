// Sorting: the order of every compare style (and of the automatic choice),
// descending order, the cascade into the columns on the right, the indexed
// sort, blank cells at either end, the original order back after sorting,
// rows carrying their records, heights and flags, fixed and footer rows in
// place, sorting inside nodes, the one-line settings text; and the
// exchanges of rows and columns and auto-numbering.

#include <gtest/gtest.h>

#include <QStringList>
#include <random>
#include <vector>

#include "grid/model/KitGrid.h"
#include "platform/win32/OleAuto.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/TestSupport.h"

using gridtest::NewGrid;

namespace {

// One header row, then one data row per text of each column.
std::unique_ptr<TKitStringGrid> GridOf(const std::vector<QStringList>& Columns) {
  auto g = NewGrid();
  g->SetColCount(int(Columns.size()));
  g->SetRowCount(int(Columns[0].size()) + 1);
  g->SetFixedRows(1);
  g->SetFixedCols(0);
  for (int c = 0; c < int(Columns.size()); ++c) {
    g->SetCells(c, 0, QStringLiteral("H%1").arg(c));
    for (int r = 0; r < Columns[size_t(c)].size(); ++r) g->SetCells(c, r + 1, Columns[size_t(c)][r]);
  }
  return g;
}

QStringList DataColumn(TKitStringGrid& g, int c) {
  QStringList out;
  for (int r = g.FixedRows(); r < g.RowCount() - g.FixedFooters(); ++r) out << g.GridCells(c, r);
  return out;
}

QStringList Reversed(QStringList L) {
  std::reverse(L.begin(), L.end());
  return L;
}

// ---------------------------------------------------------------------------
// Compare styles, ascending and descending

struct TStyleCase {
  const char* Name;
  TSortStyle Style;  // ssAutomatic: AutoFormat on
  bool IgnoreCase;
  QStringList Texts;
  QStringList Ascending;
};

class GridSortStyle : public ::testing::TestWithParam<TStyleCase> {};

TEST_P(GridSortStyle, OrdersAscendingAndDescending) {
  const TStyleCase& k = GetParam();
  for (const TSortDirection direction : {sdAscending, sdDescending}) {
    auto g = GridOf({k.Texts});
    g->SortSettings()->SetAutoFormat(k.Style == ssAutomatic);
    g->SortSettings()->SetDefaultFormat(k.Style);
    g->SortSettings()->SetIgnoreCase(k.IgnoreCase);
    g->Sort(0, direction);
    EXPECT_EQ(DataColumn(*g, 0), direction == sdAscending ? k.Ascending : Reversed(k.Ascending))
        << k.Name << (direction == sdAscending ? " ascending" : " descending");
    EXPECT_EQ(g->GridCells(0, 0), u"H0"_qs) << k.Name;
  }
}

// en-US settings (the test main pins them): "." decimals, "," thousands,
// "$" currency, M/d/yyyy dates, ":" times.
INSTANTIATE_TEST_SUITE_P(
    Styles, GridSortStyle,
    ::testing::Values(
        TStyleCase{"alphabetic: code-unit order", ssAlphabetic, false, {"b", "_", "B", "a", "A"},
                   {"A", "B", "_", "a", "b"}},
        TStyleCase{"alpha-case", ssAlphaCase, false, {"b", "a", "B"}, {"B", "a", "b"}},
        TStyleCase{"no case: a-z as A-Z", ssAlphaNoCase, false, {"b", "_", "C", "a"}, {"a", "b", "C", "_"}},
        TStyleCase{"ignore case forces no case", ssAlphabetic, true, {"b", "C", "a"}, {"a", "b", "C"}},
        TStyleCase{"numeric: empty counts 0", ssNumeric, false, {"10", "9", "-1", "2.5", ""},
                   {"-1", "", "2.5", "9", "10"}},
        TStyleCase{"numeric with exponent", ssNumeric, false, {"1e3", "999", "-2E1"}, {"-2E1", "999", "1e3"}},
        TStyleCase{"financial: currency and thousands", ssFinancial, false, {"$1,200.50", "$ 99", "$12,000"},
                   {"$ 99", "$1,200.50", "$12,000"}},
        TStyleCase{"date (locale)", ssDate, false, {"12/31/2020", "1/5/2021", "6/15/2020"},
                   {"6/15/2020", "12/31/2020", "1/5/2021"}},
        TStyleCase{"date-time", ssDateTime, false, {"1/1/2021 13:00", "1/1/2021 9:00", "12/31/2020 23:00"},
                   {"12/31/2020 23:00", "1/1/2021 9:00", "1/1/2021 13:00"}},
        TStyleCase{"short date EU", ssShortDateEU, false, {"31/12/2020", "01/01/2021", "15/06/2020"},
                   {"15/06/2020", "31/12/2020", "01/01/2021"}},
        TStyleCase{"short date US", ssShortDateUS, false, {"12/31/2020", "01/01/2021", "06/15/2020"},
                   {"06/15/2020", "12/31/2020", "01/01/2021"}},
        TStyleCase{"time", ssTime, false, {"13:05", "9:30", "23:59", "0:01"}, {"0:01", "9:30", "13:05", "23:59"}},
        TStyleCase{"automation date", ssVarDate, false, {"January 5, 2021", "12/31/2020", "2020-06-15"},
                   {"2020-06-15", "12/31/2020", "January 5, 2021"}},
        TStyleCase{"natural", ssNatural, false, {"file10", "file9", "File1", "file100"},
                   {"File1", "file9", "file10", "file100"}},
        TStyleCase{"locale without case", ssAnsiAlphaNoCase, false, {"zebra", "\u00e9clair", "Eagle"},
                   {"Eagle", "\u00e9clair", "zebra"}},
        TStyleCase{"html: tags removed", ssHTML, false, {"<b>c</b>", "a", "<i>b</i>"}, {"a", "<i>b</i>", "<b>c</b>"}},
        TStyleCase{"alpha-numeric: numbers as numbers", ssAlphaNumeric, false, {"10", "9", "100"},
                   {"9", "10", "100"}},
        TStyleCase{"alpha-numeric: text as text", ssAlphaNumeric, false, {"b10", "b9", "B1"}, {"B1", "b10", "b9"}},
        TStyleCase{"automatic: numbers", ssAutomatic, false, {"3", "10", "2", "-4.5"}, {"-4.5", "2", "3", "10"}},
        TStyleCase{"automatic: text, upper before lower", ssAutomatic, false, {"b", "B", "a"}, {"B", "a", "b"}},
        TStyleCase{"automatic: text without case", ssAutomatic, true, {"b", "C", "a"}, {"a", "b", "C"}},
        TStyleCase{"automatic: dates", ssAutomatic, false, {"12/05/2020", "01/15/2021", "03/01/2019"},
                   {"03/01/2019", "12/05/2020", "01/15/2021"}},
        TStyleCase{"automatic: times", ssAutomatic, false, {"13:05", "9:30", "23:59"}, {"9:30", "13:05", "23:59"}}),
    [](const ::testing::TestParamInfo<TStyleCase>& info) { return "case" + std::to_string(info.index); });

TEST(GridSortStyle, CustomAndRawCompareEvents) {
  auto g = GridOf({{"ccc", "a", "bb"}});
  g->SortSettings()->SetAutoFormat(false);
  g->SortSettings()->SetDefaultFormat(ssCustom);
  g->Sort(0, sdAscending);
  EXPECT_EQ(DataColumn(*g, 0), (QStringList{"ccc", "a", "bb"})) << "no handler: every pair is equal";
  g->OnCustomCompare = [](TObject*, const QString& a, const QString& b, int& res) {
    res = a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
  };
  g->Sort(0, sdAscending);
  EXPECT_EQ(DataColumn(*g, 0), (QStringList{"a", "bb", "ccc"}));

  auto h = GridOf({{"2", "3", "1"}, {"x", "y", "z"}});
  h->SortSettings()->SetAutoFormat(false);
  h->SortSettings()->SetDefaultFormat(ssRaw);
  h->SortSettings()->SetFull(false);
  int calls = 0;
  TKitStringGrid* grid = h.get();
  h->OnRawCompare = [&](TObject*, int ACol, int Row1, int Row2, int& res) {
    ++calls;
    EXPECT_EQ(ACol, 0);
    res = grid->GridCells(0, Row1).compare(grid->GridCells(0, Row2));
    res = res < 0 ? -1 : (res > 0 ? 1 : 0);
  };
  h->Sort(0, sdDescending);
  EXPECT_GT(calls, 0);
  EXPECT_EQ(DataColumn(*h, 0), (QStringList{"3", "2", "1"}));
  EXPECT_EQ(DataColumn(*h, 1), (QStringList{"y", "x", "z"})) << "rows move whole";
}

TEST(GridSortStyle, OnGetFormatChoosesStyleAndStripsPrefixAndSuffix) {
  auto g = GridOf({{"$10 kg", "$9 kg", "$100 kg"}});
  g->OnGetFormat = [](TObject*, int, TSortStyle& style, QString& prefix, QString& suffix) {
    style = ssNumeric;
    prefix = u"$"_qs;
    suffix = u" kg"_qs;
  };
  g->Sort(0, sdAscending);
  EXPECT_EQ(DataColumn(*g, 0), (QStringList{"$9 kg", "$10 kg", "$100 kg"}));
}

TEST(GridSortStyle, CheckBoxesAndImagesCompareByState) {
  auto g = GridOf({{"1", "2", "3", "4"}, {"", "", "", ""}});
  g->AddCheckBox(1, 1, true, false);
  g->AddCheckBox(1, 2, false, false);
  g->AddCheckBox(1, 3, true, false);
  g->AddCheckBox(1, 4, false, false);
  g->Sort(1, sdAscending);  // automatic: the first compared cell holds a check box
  QStringList unchecked = DataColumn(*g, 0).mid(0, 2);
  unchecked.sort();  // equal states: either order
  EXPECT_EQ(unchecked, (QStringList{"2", "4"})) << "unchecked before checked";
  bool state = true;
  for (int r = 1; r <= 2; ++r) {
    ASSERT_TRUE(g->GetCheckBoxState(1, r, state));
    EXPECT_FALSE(state) << "the check boxes travel with their rows";
  }

  TImageList images(nullptr);
  images.SetSize(16, 16);
  auto h = GridOf({{"a", "b", "c"}, {"", "", ""}});
  h->SetGridImages(&images);
  h->AddImageIdx(1, 1, 5, haLeft, vaTop);
  h->AddImageIdx(1, 2, 2, haLeft, vaTop);
  h->AddImageIdx(1, 3, 9, haLeft, vaTop);
  h->SortSettings()->SetAutoFormat(false);
  h->SortSettings()->SetDefaultFormat(ssImages);
  h->Sort(1, sdAscending);
  EXPECT_EQ(DataColumn(*h, 0), (QStringList{"b", "a", "c"}));
}

// ---------------------------------------------------------------------------
// Blanks, cascade, indexed order

TEST(GridSortBlanks, IgnoreBlanksPutsEmptyCellsAtTheChosenEndBothWays) {
  struct TCase {
    TSortBlankPosition Pos;
    TSortDirection Dir;
    QStringList Expected;
  };
  const TCase cases[] = {
      {blFirst, sdAscending, {"", "", "a", "b"}},
      {blFirst, sdDescending, {"", "", "b", "a"}},
      {blLast, sdAscending, {"a", "b", "", ""}},
      {blLast, sdDescending, {"b", "a", "", ""}},
  };
  for (const TCase& k : cases) {
    auto g = GridOf({{"b", "", "a", ""}});
    g->SortSettings()->SetIgnoreBlanks(true);
    g->SortSettings()->SetBlankPos(k.Pos);
    g->Sort(0, k.Dir);
    EXPECT_EQ(DataColumn(*g, 0), k.Expected) << int(k.Pos) << "/" << int(k.Dir);
  }
  // Without IgnoreBlanks an empty text is simply the smallest.
  auto g = GridOf({{"b", "", "a"}});
  g->Sort(0, sdDescending);
  EXPECT_EQ(DataColumn(*g, 0), (QStringList{"b", "a", ""}));
}

TEST(GridSortCascade, EqualCellsCascadeRightNeverLeft) {
  // Column 0 is left of the sort column: it must not break the ties.
  auto g = GridOf({{"3", "1", "2", "0"}, {"x", "y", "x", "y"}, {"b", "a", "a", "c"}, {"1", "1", "2", "1"}});
  g->Sort(1, sdAscending);
  EXPECT_EQ(DataColumn(*g, 1), (QStringList{"x", "x", "y", "y"}));
  EXPECT_EQ(DataColumn(*g, 2), (QStringList{"a", "b", "a", "c"}));
  EXPECT_EQ(DataColumn(*g, 0), (QStringList{"2", "3", "1", "0"}));
  g->Sort(1, sdDescending);
  EXPECT_EQ(DataColumn(*g, 0), (QStringList{"0", "1", "3", "2"})) << "the cascade follows the direction";

  // Two levels: columns 1 and 2 tie, column 3 decides.
  auto h = GridOf({{"p", "q", "r"}, {"x", "x", "x"}, {"a", "a", "a"}, {"3", "1", "2"}});
  h->Sort(1, sdAscending);
  EXPECT_EQ(DataColumn(*h, 0), (QStringList{"q", "r", "p"}));

  // Ignored columns compare equal; Full off stops at the sort column.
  h->IgnoreColumns()->Add(3);
  EXPECT_EQ(h->CompareRows(1, 1, 2), 0);
  h->IgnoreColumns()->Clear();
  EXPECT_NE(h->CompareRows(1, 1, 2), 0);
  h->SortSettings()->SetFull(false);
  EXPECT_EQ(h->CompareRows(1, 1, 2), 0);
}

TEST(GridSortIndexed, EntriesWithTheirOwnDirections) {
  auto g = GridOf({{"r1", "r2", "r3", "r4", "r5"}, {"1", "2", "1", "2", "1"}, {"b", "a", "a", "c", "c"}});
  g->SortIndexes()->AddIndex(1, false);  // column 1 descending
  g->SortIndexes()->AddIndex(2, true);   // then column 2 ascending
  g->QSortIndexed();
  EXPECT_EQ(DataColumn(*g, 1), (QStringList{"2", "2", "1", "1", "1"}));
  EXPECT_EQ(DataColumn(*g, 2), (QStringList{"a", "c", "a", "b", "c"}));
  EXPECT_EQ(DataColumn(*g, 0), (QStringList{"r2", "r4", "r3", "r1", "r5"}));
  EXPECT_EQ(g->SortIndexes()->Count(), 2) << "the index list is kept";

  // With Full off only the first entry counts.
  g->SortSettings()->SetFull(false);
  EXPECT_EQ(g->CompareRowsIndexed(0, 3, 4), 0);
  g->SortSettings()->SetFull(true);
  EXPECT_EQ(g->CompareRowsIndexed(0, 3, 4), -1);
}

TEST(GridSortIndexed, EmptyIndexListRaisesBeforeAnythingChanges) {
  auto g = GridOf({{"b", "a"}});
  const int rows = g->RowCount();
  try {
    g->QSortIndexed();
    FAIL() << "expected EKitGridError";
  } catch (const EKitGridError& e) {
    EXPECT_EQ(e.Message(), u"No indexes specified for indexed sort"_qs);
  }
  EXPECT_EQ(g->RowCount(), rows);
  EXPECT_EQ(DataColumn(*g, 0), (QStringList{"b", "a"}));
  EXPECT_EQ(g->UpdateCount(), 0);
}

// ---------------------------------------------------------------------------
// What travels with a row, what stays

TEST(GridSortRows, RowsCarryRecordsHeightsAndFlags) {
  auto g = GridOf({{"c", "a", "d", "b"}, {"3", "1", "4", "2"}});
  g->ShowModified()->SetEnabled(true);
  g->MouseActions()->SetDisjunctRowSelect(true);
  g->Navigation()->SetMoveRowOnSort(true);
  // Row of "d": a colour record, a height, the modified flag, selected;
  // row of "a": disabled.
  g->SetColors(1, 3, 0x00FF00);
  TCellProperties* record = g->FindCellProperties(1, 3);
  ASSERT_NE(record, nullptr);
  g->SetRowHeights(3, 41);
  g->SetRowModified(3, true);
  g->SetRowSelect(3, true);
  g->SetRowEnabled(2, false);
  g->Sort(0, sdAscending);
  ASSERT_EQ(DataColumn(*g, 0), (QStringList{"a", "b", "c", "d"}));
  EXPECT_EQ(DataColumn(*g, 1), (QStringList{"1", "2", "3", "4"}));
  EXPECT_EQ(g->FindCellProperties(1, 4), record) << "the record moved, not copied";
  EXPECT_EQ(record->OwnerRow(), 4) << "it repaints its new cell";
  EXPECT_EQ(g->Colors(1, 4), TColor(0x00FF00));
  EXPECT_EQ(g->FindCellProperties(1, 3), nullptr);
  EXPECT_EQ(g->RowHeights(4), 41);
  EXPECT_NE(g->RowHeights(3), 41);
  EXPECT_TRUE(g->RowModified(4));
  EXPECT_FALSE(g->RowModified(3));
  EXPECT_TRUE(g->GetRowSelect(4));
  EXPECT_FALSE(g->GetRowSelect(3));
  EXPECT_FALSE(g->RowEnabled(1));
  EXPECT_TRUE(g->RowEnabled(2));
}

TEST(GridSortRows, FixedRowsFootersAndColumnZeroStay) {
  auto g = GridOf({{"1", "2", "3", "4", "sum"}, {"d", "b", "a", "c", "total"}});
  g->SetFixedFooters(1);
  g->SetFixedCols(1);
  g->SortSettings()->SetNormalCellsOnly(true);
  g->Sort(1, sdAscending);
  EXPECT_EQ(DataColumn(*g, 1), (QStringList{"a", "b", "c", "d"}));
  EXPECT_EQ(DataColumn(*g, 0), (QStringList{"1", "2", "3", "4"})) << "column 0 keeps its order";
  EXPECT_EQ(g->GridCells(1, 5), u"total"_qs);
  EXPECT_EQ(g->GridCells(0, 5), u"sum"_qs);
  EXPECT_EQ(g->GridCells(1, 0), u"H1"_qs);
  EXPECT_EQ(g->RowCount(), 6) << "the scratch rows are gone";
  EXPECT_EQ(g->UpdateCount(), 0);
}

TEST(GridSortRows, EqualRowsAreNeverExchangedAndCountersCount) {
  // Not a stable sort in general, but the single-column partition leaves
  // rows that compare equal where they are.
  auto g = GridOf({{"k", "k", "k", "k", "k"}, {"5", "4", "3", "2", "1"}});
  g->SortSettings()->SetFull(false);
  g->ResetSortCounters();
  g->Sort(0, sdAscending);
  EXPECT_EQ(g->Swaps(), 0);
  EXPECT_GT(g->Compares(), 0);
  EXPECT_EQ(DataColumn(*g, 1), (QStringList{"5", "4", "3", "2", "1"}));
}

TEST(GridSortRows, MoveRowOnSortTakesTheCurrentRowAlong) {
  auto g = GridOf({{"c", "a", "b"}});
  g->Navigation()->SetMoveRowOnSort(true);
  g->SetRow(1);  // "c"
  int oldRow = -1, newRow = -1;
  g->OnRowChanging = [&](TObject*, int o, int n, bool&) {
    oldRow = o;
    newRow = n;
  };
  g->Sort(0, sdAscending);
  EXPECT_EQ(g->Row(), 3);
  EXPECT_EQ(g->GridCells(0, g->Row()), u"c"_qs);
  EXPECT_EQ(oldRow, 1);
  EXPECT_EQ(newRow, 3);

  g->Navigation()->SetMoveRowOnSort(false);
  g->SetRow(1);
  g->Sort(0, sdDescending);
  EXPECT_EQ(g->Row(), 1) << "without MoveRowOnSort the row index stays";
}

TEST(GridSortRows, LargeOrderedAndReversedInputsSortWithBoundedStack) {
  for (const bool reversed : {false, true}) {
    QStringList texts;
    for (int i = 0; i < 30000; ++i) texts << QStringLiteral("%1").arg(reversed ? 30000 - i : i, 6, 10, QChar(u'0'));
    auto g = GridOf({texts});
    g->SortSettings()->SetAutoFormat(false);
    g->SortSettings()->SetDefaultFormat(ssAlphabetic);
    g->Sort(0, sdAscending);
    const QStringList out = DataColumn(*g, 0);
    EXPECT_TRUE(std::is_sorted(out.begin(), out.end())) << reversed;
  }
}

TEST(GridSortRows, AnAdversaryCannotMakeTheSortQuadratic) {
  // An adversarial comparison (values decided only when the sort asks,
  // always against the pivot) keeps every partition lopsided; the sort
  // must still finish in about n log n comparisons, in a valid order.
  const int n = 4000;
  QStringList ids;
  for (int i = 0; i < n; ++i) ids << QString::number(i);
  auto g = GridOf({ids});
  g->SortSettings()->SetAutoFormat(false);
  g->SortSettings()->SetDefaultFormat(ssCustom);
  std::vector<int> value(size_t(n), n);  // n: not decided yet ("gas")
  int decided = 0;
  int candidate = -1;
  g->OnCustomCompare = [&](TObject*, const QString& a, const QString& b, int& res) {
    const int x = a.toInt(), y = b.toInt();
    if (value[size_t(x)] == n && value[size_t(y)] == n) value[size_t(x == candidate ? x : y)] = decided++;
    if (value[size_t(x)] == n)
      candidate = x;
    else if (value[size_t(y)] == n)
      candidate = y;
    res = value[size_t(x)] < value[size_t(y)] ? -1 : (value[size_t(x)] > value[size_t(y)] ? 1 : 0);
  };
  g->ResetSortCounters();
  g->Sort(0, sdAscending);
  EXPECT_LT(g->Compares(), 1500000) << "n^2/4 would be 4,000,000";
  const QStringList out = DataColumn(*g, 0);
  ASSERT_EQ(out.size(), n);
  for (int r = 1; r < n; ++r)
    ASSERT_LE(value[size_t(out[r - 1].toInt())], value[size_t(out[r].toInt())]) << r;
}

TEST(GridSortRows, RandomDataMatchesAReferenceSortAndUnSortRestores) {
  std::mt19937 rng(20261211);
  QStringList texts;
  for (int i = 0; i < 2000; ++i) texts << QString::number(rng() % 500) + u'-' + QString::number(i);
  auto g = GridOf({texts});
  g->SortSettings()->SetAutoFormat(false);
  g->SortSettings()->SetDefaultFormat(ssAlphabetic);
  g->Sort(0, sdDescending);
  QStringList expected = texts;
  std::sort(expected.begin(), expected.end(), [](const QString& a, const QString& b) { return b < a; });
  EXPECT_EQ(DataColumn(*g, 0), expected);
  g->QUnSort();
  EXPECT_EQ(DataColumn(*g, 0), texts);
}

// ---------------------------------------------------------------------------
// The original order

TEST(GridUnSort, TwoSortsThenUnSortGivesTheFirstOrderBack) {
  auto g = GridOf({{"c", "a", "b", "d"}, {"2", "4", "1", "3"}});
  g->SetColors(1, 1, 0x0000FF);  // the row of "c"
  g->SetRowHeights(2, 33);      // the row of "a"
  g->Sort(0, sdAscending);
  g->Sort(1, sdDescending);
  EXPECT_EQ(DataColumn(*g, 1), (QStringList{"4", "3", "2", "1"}));
  g->QUnSort();
  EXPECT_EQ(DataColumn(*g, 0), (QStringList{"c", "a", "b", "d"}));
  EXPECT_EQ(g->Colors(1, 1), TColor(0x0000FF));
  EXPECT_EQ(g->RowHeights(2), 33);
  EXPECT_EQ(g->SortSettings()->Column(), -1);
  // The cross-reference is the identity again.
  for (int r = 0; r < g->RowCount(); ++r) EXPECT_EQ(g->SortRowXRef()->Items(r), r);
}

TEST(GridUnSort, NothingWithNodesOrWithoutASort) {
  auto g = GridOf({{"b", "a"}});
  g->QUnSort();
  EXPECT_EQ(DataColumn(*g, 0), (QStringList{"b", "a"}));
  g->Sort(0, sdAscending);
  g->AddNode(1, 2);
  g->QUnSort();
  EXPECT_EQ(DataColumn(*g, 0), (QStringList{"a", "b"}));
}

TEST(GridUnSort, RowsAddedAfterTheSortStayAtTheEnd) {
  auto g = GridOf({{"c", "a", "b"}});
  g->Sort(0, sdAscending);
  g->SetRowCount(g->RowCount() + 1);
  g->SetCells(0, 4, u"new"_qs);
  g->QUnSort();
  EXPECT_EQ(DataColumn(*g, 0), (QStringList{"c", "a", "b", "new"}));
}

// ---------------------------------------------------------------------------
// Node children

TEST(GridSortGroup, SortsTheChildrenOfTheDeepestExpandedNodes) {
  auto g = GridOf({{"N1", "c", "a", "b", "N2", "z", "x", "y"}, {"", "3", "1", "2", "", "9", "7", "8"}});
  g->CellNode()->SetNodeColumn(0);
  g->AddNode(1, 4);
  g->AddNode(5, 4);
  g->SortSettings()->SetColumn(1);
  g->QSortGroup();
  EXPECT_EQ(DataColumn(*g, 0), (QStringList{"N1", "a", "b", "c", "N2", "x", "y", "z"}));
  EXPECT_TRUE(g->IsNode(1));
  EXPECT_TRUE(g->IsNode(5));

  g->SortIndexes()->AddIndex(1, false);
  g->QSortGroupIndexed();
  EXPECT_EQ(DataColumn(*g, 0), (QStringList{"N1", "c", "b", "a", "N2", "z", "y", "x"}));
}

// ---------------------------------------------------------------------------
// The settings text

TEST(GridSortSettingsText, SaveGivesTheFormsAndLoadSortsAgain) {
  auto g = GridOf({{"b", "c", "a"}, {"2", "1", "3"}, {"x", "y", "z"}});
  g->Sort(1, sdAscending);
  EXPECT_EQ(g->SortSettings()->SaveToString(), u"u1"_qs);
  g->SortSettings()->SetDirection(sdDescending);
  EXPECT_EQ(g->SortSettings()->SaveToString(), u"d1"_qs);
  g->SortSettings()->SetColumn(-1);
  EXPECT_EQ(g->SortSettings()->SaveToString(), u"d-1"_qs);

  g->SortSettings()->LoadFromString(u"u0"_qs);
  EXPECT_TRUE(g->SortSettings()->Show());
  EXPECT_EQ(g->SortSettings()->Column(), 0);
  EXPECT_EQ(g->SortSettings()->Direction(), sdAscending);
  EXPECT_EQ(DataColumn(*g, 0), (QStringList{"a", "b", "c"}));
  g->SortSettings()->LoadFromString(u"d2"_qs);
  EXPECT_EQ(DataColumn(*g, 2), (QStringList{"z", "y", "x"}));
  const QString saved = g->SortSettings()->SaveToString();
  EXPECT_EQ(saved, u"d2"_qs);

  g->SortSettings()->SetIndexShow(true);
  g->SortIndexes()->Clear();
  g->SortIndexes()->AddIndex(2, true);
  g->SortIndexes()->AddIndex(0, false);
  EXPECT_EQ(g->SortSettings()->SaveToString(), u"i;u2;d0"_qs);
  auto h = GridOf({{"b", "c", "a"}, {"2", "1", "3"}, {"x", "y", "z"}});
  h->SortSettings()->LoadFromString(u"i;d1;u0"_qs);
  EXPECT_TRUE(h->SortSettings()->IndexShow());
  EXPECT_EQ(h->SortSettings()->SaveToString(), u"i;d1;u0"_qs);
  EXPECT_EQ(DataColumn(*h, 1), (QStringList{"3", "2", "1"}));
}

TEST(GridSortSettingsText, MalformedTexts) {
  struct TCase {
    const char* Text;
    bool Raises;
    QStringList Order;  // of column 0 afterwards
  };
  const TCase cases[] = {
      {"", false, {"b", "c", "a"}},      // nothing at all
      {"x", true, {"b", "c", "a"}},      // too short
      {"u", true, {"b", "c", "a"}},      // too short
      {"uabc", false, {"b", "c", "a"}},  // no number: unchanged
      {"u99999", false, {"b", "c", "a"}},  // no such column: unchanged
      {"d7", false, {"b", "c", "a"}},    // just past the columns
      {"u-1", false, {"b", "c", "a"}},   // not sorted
      {"i;", false, {"b", "c", "a"}},    // an empty index list
      {"i;;x", true, {"b", "c", "a"}},   // no usable entry: the indexed sort says so
      {"i;u70000", true, {"b", "c", "a"}},  // no such column
      {"i;u70000;d0", false, {"c", "b", "a"}},  // the bad entry left out
  };
  for (const TCase& k : cases) {
    auto g = GridOf({{"b", "c", "a"}, {"1", "2", "3"}});
    bool raised = false;
    try {
      g->SortSettings()->LoadFromString(QString::fromUtf8(k.Text));
    } catch (const Exception&) {
      raised = true;
    }
    EXPECT_EQ(raised, k.Raises) << k.Text;
    EXPECT_EQ(DataColumn(*g, 0), k.Order) << k.Text;
    EXPECT_EQ(g->RowCount(), 4) << k.Text;
    EXPECT_EQ(g->UpdateCount(), 0) << k.Text;
  }
}

TEST(GridSortSettingsText, RemoveAndColumnMinusOne) {
  auto g = GridOf({{"b", "a"}});
  g->SortIndexes()->AddIndex(0, true);
  g->SortSettings()->SetColumn(0);
  g->SortSettings()->Remove();
  EXPECT_EQ(g->SortSettings()->Column(), -1);
  EXPECT_EQ(g->SortIndexes()->Count(), 0);
  g->QSort();
  EXPECT_EQ(DataColumn(*g, 0), (QStringList{"b", "a"}));
}

// ---------------------------------------------------------------------------
// Helpers of the styles

TEST(GridSortHelpers, ColumnTypeFromTheFirstTwoRows) {
  auto g = GridOf({{"1", "2"}, {"1.5", "2.5"}, {"1", "x"}, {"10:30", "11:00"}, {"a", "b"}, {"", ""}});
  g->AddCheckBox(5, 1, true, false);
  g->AddCheckBox(5, 2, false, false);
  EXPECT_EQ(g->ColumnType(0), TKitStringGrid::ctNumeric);
  EXPECT_EQ(g->ColumnType(1), TKitStringGrid::ctFloat);
  EXPECT_EQ(g->ColumnType(2), TKitStringGrid::ctAlpha);
  EXPECT_EQ(g->ColumnType(3), TKitStringGrid::ctTime);
  EXPECT_EQ(g->ColumnType(4), TKitStringGrid::ctAlpha);
  EXPECT_EQ(g->ColumnType(5), TKitStringGrid::ctBoolean);
}

TEST(GridSortHelpers, SortLineExchangesByTheLastDirection) {
  auto g = GridOf({{"b", "a"}, {"1", "2"}});
  g->Sort(0, sdAscending);  // SortDir = 1
  g->SetCells(0, 1, u"z"_qs);
  EXPECT_TRUE(g->SortLine(0, 1, 2));
  EXPECT_EQ(DataColumn(*g, 0), (QStringList{"b", "z"}));
  EXPECT_FALSE(g->SortLine(0, 1, 2));
}

TEST(GridSortHelpers, AutomationDateReading) {
  struct TCase {
    const char* Text;
    bool Ok;
    double Value;
  };
  const TCase cases[] = {
      {"1/31/2024", true, 45322},          {"2024-01-31", true, 45322},
      {"January 31, 2024", true, 45322},   {"31 Jan 2024", true, 45322},
      {"1/31/24", true, 45322},            {"12/30/1899", true, 0},
      {"1/31/2024 12:00 PM", true, 45322.5}, {"6:00", true, 0.25},
      {"6 PM", true, 0.75},                {"13/1/2024", false, 0},
      {"hello", false, 0},                 {"", false, 0},
      {"1/1/49", true, 17899},            {"25:00", false, 0},
  };
  for (const TCase& k : cases) {
    double v = -1;
    const HRESULT hr = VarDateFromStr(QString::fromUtf8(k.Text), 1033, 0, &v);
    EXPECT_EQ(hr == S_OK, k.Ok) << k.Text;
    if (k.Ok) {
      EXPECT_DOUBLE_EQ(v, k.Value) << k.Text;
    }
  }
}

// ---------------------------------------------------------------------------
// Exchanges and numbering

TEST(GridSwap, SwapRowsExchangesTextsRecordsAndHeights) {
  auto g = GridOf({{"a", "b", "c"}, {"1", "2", "3"}});
  g->SetColors(0, 1, 0x0000FF);
  g->SetColors(0, 3, 0x00FF00);
  TCellProperties* first = g->FindCellProperties(0, 1);
  TCellProperties* third = g->FindCellProperties(0, 3);
  g->SetRowHeights(1, 40);
  g->SwapRows(1, 3);
  EXPECT_EQ(DataColumn(*g, 0), (QStringList{"c", "b", "a"}));
  EXPECT_EQ(DataColumn(*g, 1), (QStringList{"3", "2", "1"}));
  EXPECT_EQ(g->FindCellProperties(0, 1), third);
  EXPECT_EQ(g->FindCellProperties(0, 3), first);
  EXPECT_EQ(g->Colors(0, 3), TColor(0x0000FF));
  EXPECT_EQ(g->RowHeights(3), 40);
  EXPECT_NE(g->RowHeights(1), 40);
  EXPECT_THROW(g->SwapRows(1, 9), EListError);
  EXPECT_THROW(g->SwapRows(-1, 1), EListError);
}

TEST(GridSwap, SwapColumnsExchangesCellsWidthsAndTheSortColumn) {
  auto g = GridOf({{"a", "b"}, {"1", "2"}, {"x", "y"}});
  g->SetColors(0, 1, 0x0000FF);
  TCellProperties* record = g->FindCellProperties(0, 1);
  g->SetColWidths(0, 30);
  g->SetColWidths(2, 90);
  g->SortSettings()->SetColumn(2);
  g->SwapColumns(0, 2);
  EXPECT_EQ(DataColumn(*g, 0), (QStringList{"x", "y"}));
  EXPECT_EQ(DataColumn(*g, 2), (QStringList{"a", "b"}));
  EXPECT_EQ(g->GridCells(0, 0), u"H2"_qs);
  EXPECT_EQ(g->FindCellProperties(2, 1), record);
  EXPECT_EQ(g->FindCellProperties(0, 1), nullptr);
  EXPECT_EQ(g->ColWidths(0), 90);
  EXPECT_EQ(g->ColWidths(2), 30);
  EXPECT_EQ(g->SortSettings()->Column(), 0);
  EXPECT_THROW(g->SwapColumns(0, 3), EListError);
}

TEST(GridSwap, SortSwapRowsSingleColumnMovesOnlyTheSortColumn) {
  auto g = GridOf({{"a", "b"}, {"1", "2"}});
  g->SortSettings()->SetSingleColumn(true);
  g->SortSettings()->SetColumn(1);
  g->InitSortXRef();
  g->ResetSortCounters();
  g->SortSwapRows(1, 2);
  EXPECT_EQ(DataColumn(*g, 0), (QStringList{"a", "b"}));
  EXPECT_EQ(DataColumn(*g, 1), (QStringList{"2", "1"}));
  EXPECT_EQ(g->Swaps(), 1);
  EXPECT_EQ(g->SortRowXRef()->Items(1), 2);
  EXPECT_EQ(g->SortRowXRef()->Items(2), 1);

  // The single-column sort leaves the other columns alone.
  auto h = GridOf({{"a", "b", "c"}, {"3", "1", "2"}});
  h->SortSettings()->SetSingleColumn(true);
  h->Sort(1, sdAscending);
  EXPECT_EQ(DataColumn(*h, 0), (QStringList{"a", "b", "c"}));
  EXPECT_EQ(DataColumn(*h, 1), (QStringList{"1", "2", "3"}));
}

TEST(GridAutoNumber, ColumnsAndRowsBothDirections) {
  struct TCase {
    TSortDirection Dir;
    int Start;
    int Offset;
    QStringList Column;
  };
  const TCase cases[] = {
      {sdAscending, 0, 0, {"1", "2", "3", "4", "f"}},
      {sdDescending, 0, 0, {"4", "3", "2", "1", "f"}},
      {sdAscending, 1, 10, {"", "12", "13", "14", "f"}},
      {sdDescending, 1, 0, {"4", "3", "2", "", "f"}},
  };
  for (const TCase& k : cases) {
    auto g = GridOf({{"", "", "", "", "f"}});
    g->SetFixedFooters(1);
    g->SetAutoNumberDirection(k.Dir);
    g->SetAutoNumberStart(k.Start);
    g->SetAutoNumberOffset(k.Offset);
    g->AutoNumberCol(0);
    EXPECT_EQ(DataColumn(*g, 0) << g->GridCells(0, 5), k.Column) << int(k.Dir) << k.Start << k.Offset;
  }
  auto g = GridOf({{"x"}, {""}, {""}, {""}});
  g->SetFixedCols(1);
  g->SetAutoNumberDirection(sdDescending);
  g->AutoNumberRow(1);
  EXPECT_EQ(g->GridCells(0, 1), u"x"_qs);
  EXPECT_EQ(g->GridCells(1, 1), u"3"_qs);
  EXPECT_EQ(g->GridCells(3, 1), u"1"_qs);
}

}  // namespace
