// Disjunct row and column selection: the index checks with their exact
// messages, the veto, the events fired per change, counts, distinct values,
// and the modified and enabled row states.

#include <gtest/gtest.h>

#include "grid/model/KitGrid.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/TestSupport.h"

using gridtest::NewGrid;

namespace {

std::unique_ptr<TKitStringGrid> DisjunctGrid() {
  auto grid = NewGrid();
  grid->MouseActions()->SetDisjunctRowSelect(true);
  grid->MouseActions()->SetDisjunctColSelect(true);
  return grid;
}

TEST(GridSelection, RowIndexesAreChecked) {
  auto grid = DisjunctGrid();
  const struct {
    const char* Name;
    std::function<void()> Action;
    const char* Message;
  } cases[] = {
      {"write past the end", [&] { grid->SetRowSelect(10, true); }, "EKitGridError: Invalid row accessed"},
      {"write negative", [&] { grid->SetRowSelect(-1, true); }, "EKitGridError: Invalid row accessed"},
      {"read negative", [&] { (void)grid->RowSelect(-1); }, "EKitGridError: Invalid row -1 accessed"},
      {"read past the end", [&] { (void)grid->RowSelect(10); }, "EKitGridError: Invalid row 10 accessed"},
      {"column write past the end", [&] { grid->SetColSelect(5, true); }, "EKitGridError: Invalid column accessed"},
      {"column read negative", [&] { (void)grid->ColSelect(-1); }, "EKitGridError: Invalid column accessed"},
      {"select negative rows", [&] { grid->SelectRows(-2, 3); }, "EKitGridError: Invalid row accessed"},
      {"modified negative", [&] { grid->SetRowModified(-1, true); }, "EKitGridError: Invalid row accessed"},
      {"enabled past the end", [&] { grid->SetRowEnabled(10, false); }, "EKitGridError: Invalid row accessed"},
      {"range outside", [&] { grid->SelectRange(1, 9, 1, 2); }, "EKitGridError: Invalid column accessed"},
      {"distinct of a missing column", [&] { (void)grid->DistinctValues(7, false); },
       "EKitGridError: Invalid column accessed"},
  };
  for (const auto& c : cases) EXPECT_EQ(testsupport::MessageOf(c.Action), QString::fromUtf8(c.Message)) << c.Name;
  EXPECT_EQ(grid->RowSelectCount(), 0);
  EXPECT_FALSE(grid->RowModified(-1)) << "reading a state answers the default";
  EXPECT_TRUE(grid->RowEnabled(99));
}

TEST(GridSelection, OnlyFixedRowsAcceptTheRowPastTheEnd) {
  auto fixedOnly = DisjunctGrid();
  fixedOnly->SetFixedRowAlways(true);
  fixedOnly->SetRowCount(1);  // the one row counts as fixed
  ASSERT_EQ(fixedOnly->FixedRows(), 1);
  EXPECT_EQ(testsupport::MessageOf([&] { fixedOnly->SetRowSelect(1, true); }), u"no exception"_qs);
  EXPECT_EQ(testsupport::MessageOf([&] { fixedOnly->SetRowSelect(5, true); }),
            u"EKitGridError: Invalid row accessed"_qs);
}

TEST(GridSelection, EventsOfAChangeAndTheVeto) {
  auto grid = DisjunctGrid();
  QStringList log;
  bool allow = true;
  grid->OnRowDisjunctSelect = [&](TObject*, int r, bool s, bool& a) {
    log << QStringLiteral("select %1 %2").arg(r).arg(s);
    a = allow;
  };
  grid->OnRowDisjunctSelected = [&](TObject*, int r) { log << QStringLiteral("selected %1").arg(r); };
  grid->SetRowSelect(9, true);  // one past the list's end
  EXPECT_EQ(log, QStringList({u"select 9 1"_qs, u"selected 9"_qs}));
  log.clear();
  grid->SetRowSelect(9, true);  // no change: no event
  EXPECT_TRUE(log.isEmpty());
  allow = false;
  grid->SetRowSelect(4, true);
  EXPECT_EQ(log, QStringList({u"select 4 1"_qs}));
  EXPECT_FALSE(grid->RowSelect(4));
  EXPECT_EQ(grid->SelectedRows()->Count(), 1);
}

TEST(GridSelection, ClearFiresOncePerSelectedRow) {
  auto grid = DisjunctGrid();
  grid->SetRowSelect(2, true);
  grid->SetRowSelect(5, true);
  grid->SetRowSelect(6, true);
  grid->SetRowSelect(5, false);
  QList<int> cleared;
  grid->OnRowDisjunctSelected = [&](TObject*, int r) { cleared << r; };
  grid->ClearRowSelect();
  EXPECT_EQ(cleared, QList<int>({2, 6}));
  EXPECT_EQ(grid->RowSelectCount(), 0);
  EXPECT_EQ(grid->SelectedRows()->Count(), 0);
}

TEST(GridSelection, SelectRowsStopsAtTheLastRow) {
  auto grid = DisjunctGrid();
  grid->SelectRows(7, 10);
  EXPECT_EQ(grid->RowSelectCount(), 3);
  EXPECT_TRUE(grid->RowSelect(9));
  grid->UnSelectRows(8, 5);
  EXPECT_EQ(grid->RowSelectCount(), 1);

  auto plain = NewGrid();
  plain->SetOptions(plain->Options() + TGridOptions{goRowSelect});
  plain->SelectRows(3, 20);
  EXPECT_EQ(plain->Selection(), MakeGridRect(1, 3, 4, 9));
  EXPECT_EQ(plain->RowSelectCount(), 7);
  EXPECT_TRUE(plain->RowSelect(5));
  EXPECT_FALSE(plain->RowSelect(2));
}

TEST(GridSelection, Columns) {
  auto grid = DisjunctGrid();
  QList<int> selected;
  grid->OnColDisjunctSelected = [&](TObject*, int c) { selected << c; };
  grid->SelectCols(2, 9);
  EXPECT_EQ(selected, QList<int>({2, 3, 4}));
  EXPECT_EQ(grid->ColSelectCount(), 3);
  grid->OnColDisjunctSelect = [](TObject*, int, bool, bool& a) { a = false; };
  grid->SetColSelect(1, true);
  EXPECT_FALSE(grid->ColSelect(1));
  grid->OnColDisjunctSelect = nullptr;
  grid->ClearColSelect();
  EXPECT_EQ(grid->ColSelectCount(), 0);
}

TEST(GridSelection, SelectionToRowSelect) {
  auto grid = DisjunctGrid();
  grid->SetRowSelect(1, true);
  grid->SetSelection(MakeGridRect(1, 4, 3, 6));
  EXPECT_TRUE(grid->SelectionToRowSelect(true));
  EXPECT_FALSE(grid->RowSelect(1)) << "rows outside are cleared";
  EXPECT_TRUE(grid->RowSelect(5));
  EXPECT_EQ(grid->RowSelectCount(), 3);
  EXPECT_FALSE(grid->SelectionToRowSelect(true)) << "the same top again changes nothing";
}

TEST(GridSelection, DistinctValues) {
  auto grid = NewGrid();
  const QStringList values = {u"a"_qs, u"A"_qs, u"b"_qs, u" b "_qs, u"a"_qs};
  for (int i = 0; i < values.size(); ++i) grid->SetCells(1, i + 1, values[i]);
  auto folded = grid->DistinctValues(1, false);
  EXPECT_TRUE(folded->IndexOf(u"a"_qs) >= 0);
  EXPECT_TRUE(folded->IndexOf(u"b"_qs) >= 0);
  EXPECT_EQ(folded->Count(), 4) << folded->CommaText().toStdString();  // a, b, " b " and the empty rows
  auto exact = grid->DistinctValues(1, true);
  EXPECT_EQ(exact->IndexOf(u"A"_qs) >= 0, true) << "a case-sensitive list keeps a and A apart";
  EXPECT_EQ(exact->Count(), folded->Count() + 1);
}

TEST(GridSelection, ModifiedAndEnabledRows) {
  auto grid = NewGrid();
  grid->SetRowModified(3, true);
  grid->SetRowModified(5, true);
  grid->SetRowModified(3, false);
  EXPECT_EQ(grid->ModifiedRowCount(), 1);
  EXPECT_TRUE(grid->RowModified(5));
  EXPECT_FALSE(grid->RowModified(100));

  grid->SetRow(1);
  grid->SetRowEnabled(2, false);
  grid->SetRowEnabled(1, true);  // the current row moves away either way
  EXPECT_EQ(grid->Row(), 3) << "the first other enabled row";
  EXPECT_TRUE(grid->UseEnabledRows());
  EXPECT_FALSE(grid->RowEnabled(2));
  EXPECT_TRUE(grid->RowEnabled(1));
}

}  // namespace
