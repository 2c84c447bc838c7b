// Search and replace: the walk order of the find (column by column, row by
// row, backward, the range and its restrictions, skipped columns), the cell
// test, FindNext ending and starting over, FindAll, Replace (case rule, tags,
// unchanged cells, hidden columns), FindMulti and its argument check, the
// type-ahead lookup, and start cells or preset lines outside the grid.

#include <gtest/gtest.h>

#include <QStringList>
#include <climits>
#include <vector>

#include "grid/model/KitGrid.h"
#include "platform/rtl/SysUtils.h"
#include "tests/grid/GridTestSupport.h"

using gridtest::NewGrid;

namespace {

QString At(TPoint P) { return QStringLiteral("%1,%2").arg(P.X).arg(P.Y); }

// A grid of 5 columns and 5 rows, one fixed row and column; every data cell
// (1..4, 1..4) holds "x", fixed cells hold "x" too.
std::unique_ptr<TKitStringGrid> XGrid() {
  auto g = NewGrid();
  g->SetColCount(5);
  g->SetRowCount(5);
  g->SetFixedCols(1);
  g->SetFixedRows(1);
  for (int c = 0; c < 5; ++c)
    for (int r = 0; r < 5; ++r) g->SetCells(c, r, QStringLiteral("x"));
  return g;
}

// Every cell FindFirst and then FindNext report, up to the first (-1, -1).
QStringList Walk(TKitStringGrid& g, const QString& S, TFindParameters P) {
  QStringList out;
  TPoint r;
  g.FindFirst(S, P, r);
  for (int guard = 0; r.X != -1 && guard < 100; ++guard) {
    out << At(r);
    g.FindNext(r);
  }
  return out;
}

QStringList Cells(std::initializer_list<const char*> L) {
  QStringList out;
  for (const char* s : L) out << QString::fromLatin1(s);
  return out;
}

// ---------------------------------------------------------------------------
// Walk order

struct TWalkCase {
  const char* Name;
  TFindParameters Params;
  std::function<void(TKitStringGrid&)> Setup;
  QStringList Expected;
};

class GridFindWalk : public ::testing::TestWithParam<TWalkCase> {};

TEST_P(GridFindWalk, VisitsCellsInOrder) {
  const TWalkCase& c = GetParam();
  auto g = XGrid();
  if (c.Setup) c.Setup(*g);
  EXPECT_EQ(Walk(*g, QStringLiteral("x"), c.Params), c.Expected);
  EXPECT_FALSE(g->FindBusy);
}

const QStringList kColumnByColumn = Cells({"1,1", "1,2", "1,3", "1,4", "2,1", "2,2", "2,3", "2,4", "3,1", "3,2",
                                           "3,3", "3,4", "4,1", "4,2", "4,3", "4,4"});
const QStringList kRowByRow = Cells({"1,1", "2,1", "3,1", "4,1", "1,2", "2,2", "3,2", "4,2", "1,3", "2,3", "3,3",
                                     "4,3", "1,4", "2,4", "3,4", "4,4"});

QStringList Reversed(QStringList L) {
  std::reverse(L.begin(), L.end());
  return L;
}

INSTANTIATE_TEST_SUITE_P(
    Order, GridFindWalk,
    ::testing::Values(
        TWalkCase{"ColumnByColumn", {}, nullptr, kColumnByColumn},
        TWalkCase{"LeftRight", {fnDirectionLeftRight}, nullptr, kRowByRow},
        TWalkCase{"Backward", {fnBackward}, nullptr, Reversed(kColumnByColumn)},
        TWalkCase{"BackwardLeftRight", {fnBackward, fnDirectionLeftRight}, nullptr, Reversed(kRowByRow)},
        TWalkCase{"IncludeFixedStartsTopLeft",
                  {fnIncludeFixed},
                  [](TKitStringGrid& g) { g.SetColCount(2); g.SetRowCount(3); },
                  Cells({"0,0", "0,1", "0,2", "1,0", "1,1", "1,2"})},
        TWalkCase{"RightFixedColumnAndFooterLeftOut",
                  {},
                  [](TKitStringGrid& g) { g.SetFixedRightCols(1); g.SetFixedFooters(1); },
                  Cells({"1,1", "1,2", "1,3", "2,1", "2,2", "2,3", "3,1", "3,2", "3,3"})},
        TWalkCase{"CurrentRowMovesAlongIt",
                  {fnFindInCurrentRow},
                  [](TKitStringGrid& g) { g.SetRow(2); },
                  Cells({"1,2", "2,2", "3,2", "4,2"})},
        TWalkCase{"CurrentRowBackwardLeftRight",
                  {fnFindInCurrentRow, fnBackward, fnDirectionLeftRight},
                  [](TKitStringGrid& g) { g.SetRow(3); },
                  Cells({"4,3", "3,3", "2,3", "1,3"})},
        TWalkCase{"CurrentColumnRowByRow",
                  {fnFindInCurrentCol, fnDirectionLeftRight},
                  [](TKitStringGrid& g) { g.SetCol(2); },
                  Cells({"2,1", "2,2", "2,3", "2,4"})},
        TWalkCase{"PresetColumn",
                  {fnFindInPresetCol},
                  [](TKitStringGrid& g) { g.FindCol = 3; },
                  Cells({"3,1", "3,2", "3,3", "3,4"})},
        TWalkCase{"PresetRowAndColumnOneCell",
                  {fnFindInPresetCol, fnFindInPresetRow},
                  [](TKitStringGrid& g) { g.FindCol = 4; g.FindRow = 1; },
                  Cells({"4,1"})},
        TWalkCase{"SelectedCells",
                  {fnSelectedCells},
                  [](TKitStringGrid& g) { g.SetSelection(TGridRect{2, 2, 3, 3}); },
                  Cells({"2,2", "2,3", "3,2", "3,3"})},
        TWalkCase{"IgnoredColumn",
                  {fnDirectionLeftRight},
                  [](TKitStringGrid& g) { g.IgnoreColumns()->Add(2); g.IgnoreColumns()->Add(4); },
                  Cells({"1,1", "3,1", "1,2", "3,2", "1,3", "3,3", "1,4", "3,4"})},
        TWalkCase{"IgnoredColumnBackward",
                  {fnBackward},
                  [](TKitStringGrid& g) { g.IgnoreColumns()->Add(1); g.IgnoreColumns()->Add(2); g.IgnoreColumns()->Add(3); },
                  Cells({"4,4", "4,3", "4,2", "4,1"})},
        TWalkCase{"PresetColumnOutsideGrid",
                  {fnFindInPresetCol},
                  [](TKitStringGrid& g) { g.FindCol = 100; },
                  QStringList()},
        TWalkCase{"PresetRowNegative",
                  {fnFindInPresetRow},
                  [](TKitStringGrid& g) { g.FindRow = -7; },
                  QStringList()}),
    [](const auto& info) { return std::string(info.param.Name); });

// Find from an explicit start cell: the step along the inner direction, the
// step onto the next line past the range's end, and start cells outside the
// range (pulled onto it, never visiting cells outside the grid).
struct TStartCase {
  const char* Name;
  TPoint Start;
  TFindParameters Params;
  const char* Expected;
};

class GridFindStart : public ::testing::TestWithParam<TStartCase> {};

TEST_P(GridFindStart, FindsFrom) {
  const TStartCase& c = GetParam();
  auto g = XGrid();
  TPoint r;
  g->Find(c.Start, QStringLiteral("x"), r, c.Params);
  EXPECT_EQ(At(r), QString::fromLatin1(c.Expected));
}

INSTANTIATE_TEST_SUITE_P(
    Start, GridFindStart,
    ::testing::Values(TStartCase{"NextRow", {2, 2}, {}, "2,3"},
                      TStartCase{"LastRowGoesToNextColumn", {2, 4}, {}, "3,1"},
                      TStartCase{"NextColumnLeftRight", {2, 2}, {fnDirectionLeftRight}, "3,2"},
                      TStartCase{"PreviousRowBackward", {2, 2}, {fnBackward}, "2,1"},
                      TStartCase{"FirstRowBackwardGoesToPreviousColumn", {2, 1}, {fnBackward}, "1,4"},
                      TStartCase{"LastCellEnds", {4, 4}, {}, "-1,-1"},
                      TStartCase{"FirstCellBackwardEnds", {1, 1}, {fnBackward}, "-1,-1"},
                      TStartCase{"InnerBeyondStepsOuter", {2, 40}, {}, "3,1"},
                      TStartCase{"BothBeyondRestarts", {4, 40}, {}, "1,1"},
                      TStartCase{"BeforeRangeStartsAtFirst", {-5, -5}, {}, "1,1"},
                      TStartCase{"HugeIndexes", {INT_MAX, INT_MAX}, {}, "1,1"},
                      TStartCase{"HugeNegativeBackward", {INT_MIN, INT_MIN}, {fnBackward}, "4,4"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(GridFind, FindNextEndsThenStartsOver) {
  auto g = XGrid();
  for (int c = 1; c < 5; ++c)
    for (int r = 1; r < 5; ++r) g->SetCells(c, r, QString());
  g->SetCells(2, 3, QStringLiteral("apple"));
  g->SetCells(3, 1, QStringLiteral("pineapple"));
  TPoint r;
  g->FindFirst(QStringLiteral("APPLE"), {}, r);
  EXPECT_EQ(At(r), "2,3");
  g->FindNext(r);
  EXPECT_EQ(At(r), "3,1");
  g->FindNext(r);
  EXPECT_EQ(At(r), "-1,-1");
  EXPECT_EQ(At(g->SearchCell), "-1,-1");
  g->FindNext(r);
  EXPECT_EQ(At(r), "2,3");
  EXPECT_FALSE(g->FindBusy);
}

// ---------------------------------------------------------------------------
// The cell test

struct TMatchCase {
  const char* Name;
  const char* Cell;
  const char* Search;
  TFindParameters Params;
  bool Matches;
};

class GridFindMatch : public ::testing::TestWithParam<TMatchCase> {};

TEST_P(GridFindMatch, TestsTheCell) {
  const TMatchCase& c = GetParam();
  auto g = NewGrid();
  g->SetColCount(2);
  g->SetRowCount(2);
  g->SetFixedCols(1);
  g->SetFixedRows(1);
  g->SetCells(1, 1, QString::fromUtf8(c.Cell));
  TPoint r;
  g->Find(TPoint(-1, -1), QString::fromUtf8(c.Search), r, c.Params);
  EXPECT_EQ(At(r), c.Matches ? "1,1" : "-1,-1");
}

INSTANTIATE_TEST_SUITE_P(
    Cell, GridFindMatch,
    ::testing::Values(TMatchCase{"SubstringAnyCase", "xABy", "ab", {}, true},
                      TMatchCase{"StartMissed", "xABy", "ab", {fnMatchStart}, false},
                      TMatchCase{"StartHit", "ABy", "ab", {fnMatchStart}, true},
                      TMatchCase{"FullMissed", "xABy", "ab", {fnMatchFull}, false},
                      TMatchCase{"FullHitUpper", "AB", "ab", {fnMatchFull}, true},
                      TMatchCase{"FullHitLower", "ab", "ab", {fnMatchFull}, true},
                      TMatchCase{"CaseMissed", "xABy", "ab", {fnMatchCase}, false},
                      TMatchCase{"CaseHit", "xaby", "ab", {fnMatchCase}, true},
                      TMatchCase{"EmptyFindsEmpty", "", "", {}, true},
                      TMatchCase{"EmptyMissesText", "a", "", {}, false},
                      TMatchCase{"TwoQuotesFindEmpty", "", "\"\"", {}, true},
                      TMatchCase{"TagsSearchedWithoutFlag", "<b>a</b>", "b", {}, true},
                      TMatchCase{"TagsIgnored", "<b>a</b>", "b", {fnIgnoreHTMLTags}, false},
                      TMatchCase{"TextAcrossTags", "<b>a</b>c", "ac", {fnIgnoreHTMLTags}, true},
                      TMatchCase{"AccentKept", "Café", "cafe", {}, false},
                      TMatchCase{"AccentIgnored", "Café", "cafe", {fnIgnoreAccents}, true},
                      TMatchCase{"AccentInSearchIgnored", "cafe", "CAFÉ", {fnIgnoreAccents}, true},
                      TMatchCase{"RegularWildcard", "apple pie", "app*", {fnMatchRegular}, true},
                      TMatchCase{"RegularNegated", "apple pie", "!app*", {fnMatchRegular}, false},
                      TMatchCase{"RegularNumber", "150", ">100", {fnMatchRegular}, true},
                      TMatchCase{"HostileWildcardsBounded", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab",
                                 "*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*c", {fnMatchRegular}, false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(GridFind, WideSearchUsesTheWideTexts) {
  auto g = XGrid();
  g->SetCells(3, 2, QStringLiteral("Ωmega"));
  TPoint r;
  g->FindWide(TPoint(-1, -1), QStringLiteral("ωMEGA"), r, {});
  EXPECT_EQ(At(r), "3,2");
  g->FindWide(TPoint(-1, -1), QStringLiteral("ωMEGA"), r, {fnMatchCase});
  EXPECT_EQ(At(r), "-1,-1");
}

// The hooks fired during a find, the current cell going to the match, and
// the found state reset.
class TNotifyingGrid : public TKitStringGrid {
 public:
  using TKitStringGrid::TKitStringGrid;
  QStringList Log;
  bool BusySeen = false;
  void ExportNotification(TGridExportState AState, int ARow) override {
    if (FindBusy) BusySeen = true;
    if (AState != esExportFindRow) Log << QString::number(int(AState));
  }
};

TEST(GridFind, AutoGotoAndNotifications) {
  auto g = CreateUnique<TNotifyingGrid>(nullptr);
  g->SetColCount(4);
  g->SetRowCount(4);
  g->SetCells(3, 2, QStringLiteral("here"));
  TPoint r;
  g->Find(TPoint(-1, -1), QStringLiteral("her"), r, {fnAutoGoto});
  EXPECT_EQ(At(r), "3,2");
  EXPECT_EQ(g->Col(), 3);
  EXPECT_EQ(g->Row(), 2);
  EXPECT_TRUE(g->BusySeen);
  EXPECT_FALSE(g->FindBusy);
  // Start, then esExportFail for a found cell.
  EXPECT_EQ(g->Log, QStringList({QString::number(esExportStart), QString::number(esExportFail)}));
  g->Log.clear();
  g->Find(r, QStringLiteral("her"), r, {fnAutoGoto});
  EXPECT_EQ(At(r), "-1,-1");
  EXPECT_EQ(g->Col(), 3);
  EXPECT_EQ(g->Row(), 2);
  EXPECT_EQ(g->Log, QStringList({QString::number(esExportDone)}));
}

TEST(GridFind, NoDataCellsFindsNothing) {
  // Fixed column and right fixed column, fixed row and footer: no data cell.
  auto g = NewGrid();
  g->SetColCount(2);
  g->SetRowCount(2);
  g->SetFixedCols(1);
  g->SetFixedRows(1);
  g->SetFixedRightCols(1);
  g->SetFixedFooters(1);
  TPoint r(5, 5);
  g->Find(TPoint(-1, -1), QString(), r, {fnAutoGoto});
  EXPECT_EQ(At(r), "-1,-1");
  TPoint first;
  int count = 7;
  g->FindAll(QString(), {}, first, count);
  EXPECT_EQ(count, 0);
  EXPECT_FALSE(g->FindBusy);
}

// ---------------------------------------------------------------------------
// FindAll

TEST(GridFind, FindAllCountsAndDropsAutoGoto) {
  auto g = XGrid();
  g->SetCells(3, 4, QStringLiteral("one"));
  g->SetCells(2, 2, QStringLiteral("done"));
  g->SetCells(4, 1, QStringLiteral("ONE"));
  g->SetCells(0, 3, QStringLiteral("one"));  // fixed: not searched
  TPoint first;
  int count = 0;
  g->FindAll(QStringLiteral("one"), {fnAutoGoto, fnMatchStart}, first, count);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(At(first), "3,4");
  g->FindAll(QStringLiteral("one"), {fnAutoGoto}, first, count);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(At(first), "2,2");
  EXPECT_EQ(g->Col(), 2);
  EXPECT_EQ(g->Row(), 2);
  EXPECT_FALSE(g->FindParams().Contains(fnAutoGoto));
  EXPECT_FALSE(g->FindBusy);
  // FindNext keeps the stored parameters: the current cell stays.
  TPoint r;
  g->FindNext(r);
  EXPECT_EQ(At(r), "2,2");
  g->FindNext(r);
  EXPECT_EQ(At(r), "3,4");
  EXPECT_EQ(g->Row(), 2);
  EXPECT_EQ(g->Col(), 2);
}

// ---------------------------------------------------------------------------
// Replace

struct TReplaceCase {
  const char* Name;
  QStringList Texts;  // the data cells (1, 1), (1, 2), ...
  const char* From;
  const char* To;
  TFindParameters Params;
  QStringList Expected;
  int Changed;
};

class GridReplace : public ::testing::TestWithParam<TReplaceCase> {};

TEST_P(GridReplace, ReplacesAndCounts) {
  const TReplaceCase& c = GetParam();
  auto g = NewGrid();
  g->SetColCount(2);
  g->SetRowCount(int(c.Texts.size()) + 1);
  g->SetFixedCols(1);
  g->SetFixedRows(1);
  for (int i = 0; i < c.Texts.size(); ++i) g->SetCells(1, i + 1, c.Texts[i]);
  EXPECT_EQ(g->Replace(QString::fromUtf8(c.From), QString::fromUtf8(c.To), c.Params), c.Changed);
  QStringList out;
  for (int i = 0; i < c.Texts.size(); ++i) out << g->Cells(1, i + 1);
  EXPECT_EQ(out, c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GridReplace,
    ::testing::Values(
        TReplaceCase{"AnyCase", {"Aa", "x", "bA"}, "a", "b", {}, {"bb", "x", "bb"}, 2},
        TReplaceCase{"MatchCaseKeepsOtherCase", {"Aa", "AA"}, "a", "b", {fnMatchCase}, {"Ab", "AA"}, 1},
        TReplaceCase{"TagsKept", {"<b>b</b>", "<i>ab</i>"}, "b", "x", {fnIgnoreHTMLTags}, {"<b>x</b>", "<i>ax</i>"}, 2},
        TReplaceCase{"TagsReplacedWithoutFlag", {"<b>b</b>"}, "b", "x", {}, {"<x>x</x>"}, 1},
        TReplaceCase{"UnchangedNotCounted", {"Café", "cafe"}, "cafe", "tea", {fnIgnoreAccents}, {"Café", "tea"}, 1},
        TReplaceCase{"ReplacementHoldingOriginal", {"a", "ba"}, "a", "aa", {}, {"aa", "baa"}, 2},
        TReplaceCase{"EmptyOriginalChangesNothing", {"", "z"}, "", "new", {}, {"", "z"}, 0},
        TReplaceCase{"MatchStartOnlyThoseCells", {"ab ab", "b ab"}, "ab", "X", {fnMatchStart}, {"X X", "b ab"}, 1}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(GridReplace, MarksChangedRowsModified) {
  auto g = XGrid();
  g->SetCells(2, 3, QStringLiteral("y"));
  g->ShowModified()->SetEnabled(true);
  EXPECT_EQ(g->Replace(QStringLiteral("y"), QStringLiteral("z"), {}), 1);
  EXPECT_TRUE(g->RowModified(3));
  EXPECT_FALSE(g->RowModified(2));
}

TEST(GridReplace, WritesTheColumnItFound) {
  auto g = XGrid();
  g->SetCells(2, 2, QStringLiteral("hidden"));
  g->SetCells(3, 2, QStringLiteral("shown"));
  g->HideColumn(2);
  // Display column 2 is real column 3 now.
  TPoint r;
  g->Find(TPoint(-1, -1), QStringLiteral("shown"), r, {});
  EXPECT_EQ(At(r), "2,2");
  EXPECT_EQ(g->Replace(QStringLiteral("shown"), QStringLiteral("seen"), {}), 1);
  EXPECT_EQ(g->Replace(QStringLiteral("hidden"), QStringLiteral("gone"), {}), 0);
  g->UnHideColumn(2);
  EXPECT_EQ(g->Cells(2, 2), "hidden");
  EXPECT_EQ(g->Cells(3, 2), "seen");
}

// ---------------------------------------------------------------------------
// FindMulti

std::unique_ptr<TKitStringGrid> PeopleGrid() {
  auto g = NewGrid();
  g->SetColCount(3);
  g->SetRowCount(6);
  g->SetFixedCols(1);
  g->SetFixedRows(1);
  const char* names[] = {"Anna Smith", "Bob", "<b>Carl</b>", "anna", "Dora Smith"};
  const char* towns[] = {"Berlin", "Bern", "Paris", "Berlin", "Bern"};
  for (int r = 0; r < 5; ++r) {
    g->SetCells(1, r + 1, QString::fromLatin1(names[r]));
    g->SetCells(2, r + 1, QString::fromLatin1(towns[r]));
  }
  return g;
}

struct TMultiCase {
  const char* Name;
  QStringList Conditions;
  std::vector<int> Columns;
  std::vector<TFindMultiType> Types;
  std::vector<bool> Case;
  bool IgnoreHTML;
  std::vector<int> Rows;  // FindMulti, then FindMultiNext until -1
};

class GridFindMulti : public ::testing::TestWithParam<TMultiCase> {};

TEST_P(GridFindMulti, FindsRows) {
  const TMultiCase& c = GetParam();
  auto g = PeopleGrid();
  std::vector<int> rows;
  for (int r = g->FindMulti(c.Conditions, c.Columns, c.Types, c.Case, c.IgnoreHTML, false); r >= 0 && rows.size() < 10;
       r = g->FindMultiNext())
    rows.push_back(r);
  EXPECT_EQ(rows, c.Rows);
  EXPECT_EQ(g->Row(), 1);  // never moved without AutoGoto
}

INSTANTIATE_TEST_SUITE_P(
    Types, GridFindMulti,
    ::testing::Values(
        TMultiCase{"StartsWithAnyCase", {"anna"}, {1}, {stStartsWith}, {false}, false, {1, 4}},
        TMultiCase{"StartsWithCase", {"anna"}, {1}, {stStartsWith}, {true}, false, {4}},
        TMultiCase{"EndsWithBlankQuoted", {" Smith"}, {1}, {stEndsWith}, {false}, false, {1, 5}},
        TMultiCase{"Contains", {"o"}, {1}, {stContains}, {false}, false, {2, 5}},
        TMultiCase{"Equal", {"bern"}, {2}, {stEqual}, {false}, false, {2, 5}},
        TMultiCase{"NotEqual", {"Bern"}, {2}, {stNotEqual}, {false}, false, {1, 3, 4}},
        TMultiCase{"NotContains", {"er"}, {2}, {stNotContains}, {false}, false, {3}},
        TMultiCase{"TwoColumnsAll", {"Berlin", "anna"}, {2, 1}, {stEqual, stStartsWith}, {false, false}, false, {1, 4}},
        TMultiCase{"TagsInTheWay", {"Carl"}, {1}, {stEqual}, {false}, false, {}},
        TMultiCase{"TagsIgnored", {"Carl"}, {1}, {stEqual}, {false}, true, {3}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(GridFindMulti, ArraySizesMustMatch) {
  auto g = PeopleGrid();
  ASSERT_EQ(g->FindMulti({QStringLiteral("Bern")}, {2}, {stEqual}, {false}, false, true), 2);
  EXPECT_EQ(g->Row(), 2);  // AutoGoto
  struct TBad {
    std::vector<int> Columns;
    std::vector<TFindMultiType> Types;
    std::vector<bool> Case;
  };
  for (const TBad& bad : {TBad{{1}, {stEqual, stEqual}, {false, false}}, TBad{{1, 2}, {stEqual}, {false, false}},
                          TBad{{1, 2}, {stEqual, stEqual}, {false}}}) {
    try {
      g->FindMulti({QStringLiteral("x"), QStringLiteral("y")}, bad.Columns, bad.Types, bad.Case, false, false);
      ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), "Array size of parameters not matching");
    }
  }
  // Nothing stored: the last good search continues.
  EXPECT_EQ(At(g->SearchCell), "0,2");
  EXPECT_EQ(g->FindMultiNext(), 5);
  EXPECT_EQ(g->FindMultiNext(), -1);
  EXPECT_EQ(At(g->SearchCell), "0,5");
}

TEST(GridFindMulti, ColumnOutsideGridHoldsNoText) {
  auto g = PeopleGrid();
  EXPECT_EQ(g->FindMulti({QStringLiteral("\"\"")}, {99}, {stEqual}, {false}, false, false), 1);
  EXPECT_EQ(g->FindMulti({QStringLiteral("a")}, {-3}, {stContains}, {false}, false, false), -1);
}

// ---------------------------------------------------------------------------
// Type-ahead lookup

TEST(GridSearch, LooksUpTheLookupColumn) {
  auto g = PeopleGrid();
  EXPECT_EQ(g->Search(QStringLiteral("ANNA")), 1);
  EXPECT_EQ(g->Search(QStringLiteral("CA")), 3);  // plain text of <b>Carl</b>
  EXPECT_EQ(g->Search(QStringLiteral("ZED")), -1);
  g->SortSettings()->SetShow(true);
  g->SortSettings()->SetColumn(2);
  EXPECT_EQ(g->Search(QStringLiteral("PA")), 3);
  g->SortSettings()->SetIndexShow(true);
  EXPECT_EQ(g->Search(QStringLiteral("PA")), -1);  // empty index list: FixedCols
  g->SortIndexes()->AddIndex(2, true);
  EXPECT_EQ(g->Search(QStringLiteral("BERN")), 2);  // not Berlin
  g->SetFixedRows(0);
  g->SetRowCount(1);
  EXPECT_EQ(g->Search(QString()), -1);  // fewer than two rows
}

}  // namespace
