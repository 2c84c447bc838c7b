// Emptying, inserting and removing rows and columns, and hidden columns:
// texts and records move together and are freed once, the counts and lists
// stay in step, hidden columns keep their cells and widths.

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "grid/model/KitGrid.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/TestSupport.h"

using gridtest::NewGrid;

namespace {

std::unique_ptr<TKitStringGrid> Filled(int Cols, int Rows) {
  auto g = NewGrid();
  g->SetFixedRows(0);
  g->SetFixedCols(0);
  g->SetColCount(Cols);
  g->SetRowCount(Rows);
  for (int r = 0; r < Rows; ++r)
    for (int c = 0; c < Cols; ++c) g->SetCells(c, r, QStringLiteral("%1%2").arg(QChar(u'a' + c)).arg(r));
  return g;
}

QStringList Column(TKitStringGrid& g, int c) {
  QStringList out;
  for (int r = 0; r < g.RowCount(); ++r) out << g.GridCells(c, r);
  return out;
}

QStringList Row(TKitStringGrid& g, int r) {
  QStringList out;
  for (int c = 0; c < g.ColCount(); ++c) out << g.Cells(c, r);
  return out;
}

TEST(GridClear, EmptiesEveryCellAndKeepsTheShape) {
  auto g = Filled(3, 4);
  g->SetFixedRows(1);
  g->SetFixedCols(1);
  g->SetColWidths(2, 77);
  g->SetColors(1, 2, 0x00FF00);
  g->HideColumn(1);
  g->Clear();
  EXPECT_EQ(g->RowCount(), 4);
  EXPECT_EQ(g->ColCount(), 2);
  EXPECT_EQ(g->FixedRows(), 1);
  EXPECT_TRUE(g->IsHiddenColumn(1));
  EXPECT_FALSE(g->HasCellProperties(1, 2));
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(g->GridCells(c, r), QString()) << c << "," << r;
  g->SetClearTextOnly(true);
  g->UnHideColumn(1);
  g->SetCells(1, 1, u"x"_qs);
  g->SetColors(1, 1, 0x0000FF);
  g->Clear();
  EXPECT_EQ(g->GridCells(1, 1), QString());
  EXPECT_EQ(g->Colors(1, 1), 0x0000FF);
}

TEST(GridRows, InsertAndRemoveMoveTextsRecordsAndLists) {
  auto g = Filled(2, 5);
  g->ShowModified()->SetEnabled(true);
  g->SetRowModified(3, true);
  g->SetColors(0, 3, 0x123456);
  g->InsertRows(1, 2);
  EXPECT_EQ(g->RowCount(), 7);
  EXPECT_EQ(Column(*g, 0), (QStringList{u"a0"_qs, QString(), QString(), u"a1"_qs, u"a2"_qs, u"a3"_qs, u"a4"_qs}));
  EXPECT_EQ(g->Colors(0, 5), 0x123456);
  EXPECT_TRUE(g->RowModified(5));
  EXPECT_FALSE(g->RowModified(3));
  g->RemoveRows(1, 3);
  EXPECT_EQ(Column(*g, 0), (QStringList{u"a0"_qs, u"a2"_qs, u"a3"_qs, u"a4"_qs}));
  EXPECT_EQ(g->Colors(0, 2), 0x123456);
  EXPECT_TRUE(g->RowModified(2));
  g->RemoveRows(g->RowCount(), 1);  // nothing
  g->RemoveRows(2, 1);              // the row with the record: freed once
  EXPECT_EQ(Column(*g, 0), (QStringList{u"a0"_qs, u"a2"_qs, u"a4"_qs}));
  g->AddRow();
  EXPECT_EQ(Column(*g, 1), (QStringList{u"b0"_qs, u"b2"_qs, u"b4"_qs, QString()}));
  EXPECT_EQ(g->UpdateCount(), 0);
}

TEST(GridRows, RemoveRowListAndDuplicates) {
  auto g = Filled(2, 6);
  TIntList list(-1, -1);
  list.Add(1);
  list.Add(4);
  g->SetColors(1, 5, 0x55);
  g->RemoveRowList(&list);
  EXPECT_EQ(Column(*g, 0), (QStringList{u"a0"_qs, u"a2"_qs, u"a3"_qs, u"a5"_qs}));
  EXPECT_EQ(g->Colors(1, 3), 0x55);

  auto d = Filled(1, 5);
  const QStringList texts{u"Paris"_qs, u"paris"_qs, u"Lyon"_qs, u"PARIS"_qs, u"Lyon"_qs};
  for (int r = 0; r < 5; ++r) d->SetCells(0, r, texts[r]);
  d->RemoveDuplicates(0, true);  // case-sensitive: only the exact repeat goes
  EXPECT_EQ(Column(*d, 0), (QStringList{u"Paris"_qs, u"paris"_qs, u"Lyon"_qs, u"PARIS"_qs}));
  d->RemoveDuplicates(0, false);
  EXPECT_EQ(Column(*d, 0), (QStringList{u"Paris"_qs, u"Lyon"_qs}));
}

TEST(GridColumns, InsertRemoveAndHide) {
  auto g = Filled(4, 2);
  g->SetColWidths(2, 55);
  g->InsertCols(1, 1);
  EXPECT_EQ(Row(*g, 0), (QStringList{u"a0"_qs, QString(), u"b0"_qs, u"c0"_qs, u"d0"_qs}));
  EXPECT_EQ(g->ColWidths(3), 55);
  g->RemoveCols(1, 2);
  EXPECT_EQ(Row(*g, 1), (QStringList{u"a1"_qs, u"c1"_qs, u"d1"_qs}));
  EXPECT_EQ(g->ColWidths(1), 55);

  // Hidden: out of the count and the display, cells and width kept.
  g->SetColWidths(2, 33);
  g->HideColumn(1);
  EXPECT_EQ(g->ColCount(), 2);
  EXPECT_EQ(g->NumHiddenColumns(), 1);
  EXPECT_EQ(g->DisplToRealCol(1), 2);
  EXPECT_EQ(g->RealToDisplCol(2), 1);
  EXPECT_EQ(g->Cells(g->RealColIndex(1), 0), u"d0"_qs);
  EXPECT_EQ(g->ColWidths(1), 33);
  g->HideColumns(0, 2);  // never the last visible column
  EXPECT_EQ(g->ColCount(), 1);
  g->UnHideColumnsAll();
  EXPECT_EQ(g->ColCount(), 3);
  EXPECT_EQ(g->ColWidths(1), 55);
  EXPECT_EQ(g->ColWidths(2), 33);
  EXPECT_EQ(Row(*g, 1), (QStringList{u"a1"_qs, u"c1"_qs, u"d1"_qs}));
}

// ---------------------------------------------------------------------------
// Row operations and the lists that go with rows

// A user object that counts its own destruction.
struct Counted : TObject {
  explicit Counted(int* Freed) : Freed(Freed) {}
  ~Counted() override { ++*Freed; }
  int* Freed;
};

TEST(GridRows, RemovalsAndInsertionsRenumberHiddenRowRecords) {
  // Two rows above a hidden row leave: its record's index drops by two,
  // whichever removal; two rows entering above raise it by two.
  struct Case {
    const char* Name;
    std::function<void(TKitStringGrid&)> Op;
    int Idx;
    bool RecordGoes;  // the record of row a1 goes with its row
  } cases[] = {
      {"RemoveRows", [](TKitStringGrid& g) { g.RemoveRows(1, 2); }, 3, true},
      {"RemoveRowsEx", [](TKitStringGrid& g) { g.RemoveRowsEx(1, 2); }, 3, true},
      {"RemoveRowRange", [](TKitStringGrid& g) { g.RemoveRowRange(1, 2); }, 3, true},
      {"DeleteRowsEx", [](TKitStringGrid& g) { g.DeleteRowsEx(1, 2, true); }, 3, true},
      {"RemoveRowList",
       [](TKitStringGrid& g) {
         TIntList list(-1, -1);
         list.Add(1);
         list.Add(2);
         g.RemoveRowList(&list);
       },
       3, true},
      {"InsertRows", [](TKitStringGrid& g) { g.InsertRows(1, 2); }, 7, false},
      {"RemoveRows below", [](TKitStringGrid& g) { g.RemoveRows(6, 2); }, 5, false},
  };
  for (const Case& c : cases) {
    auto g = Filled(2, 10);
    g->HideRow(5);
    const int live = TCellProperties::LiveCount();
    g->SetColors(1, 1, 0x33);  // a record in row a1
    c.Op(*g);
    EXPECT_TRUE(g->IsHiddenRow(c.Idx)) << c.Name;
    EXPECT_EQ(g->AllCells(0, c.Idx), u"a5"_qs) << c.Name;
    EXPECT_EQ(g->RealRowIndex(c.Idx), c.Idx + 1) << c.Name;
    g->UnHideRowsAll();
    EXPECT_EQ(g->Cells(0, c.Idx), u"a5"_qs) << c.Name;
    EXPECT_EQ(TCellProperties::LiveCount(), live + (c.RecordGoes ? 0 : 1)) << c.Name;
    EXPECT_EQ(g->UpdateCount(), 0) << c.Name;
  }
}

TEST(GridRows, PerRowListsFollowTheirRows) {
  struct Case {
    const char* Name;
    std::function<void(TKitStringGrid&)> Op;
    std::vector<int> Where;  // where rows 2, 4 and 6 stand afterwards
  } cases[] = {
      {"RemoveRows", [](TKitStringGrid& g) { g.RemoveRows(3, 1); }, {2, 3, 5}},
      {"RemoveRowsEx", [](TKitStringGrid& g) { g.RemoveRowsEx(0, 2); }, {0, 2, 4}},
      {"RemoveRowRange", [](TKitStringGrid& g) { g.RemoveRowRange(5, 1); }, {2, 4, 5}},
      {"RemoveRowList",
       [](TKitStringGrid& g) {
         TIntList list(-1, -1);
         list.Add(1);
         list.Add(4);
         g.RemoveRowList(&list);
       },
       {1, -1, 4}},
      {"InsertRows", [](TKitStringGrid& g) { g.InsertRows(3, 2); }, {2, 6, 8}},
      {"AddRow", [](TKitStringGrid& g) { g.AddRow(); }, {2, 4, 6}},
  };
  for (const Case& c : cases) {
    auto g = Filled(2, 8);
    g->ShowModified()->SetEnabled(true);
    g->MouseActions()->SetDisjunctRowSelect(true);
    auto* edit = new TEdit(g.get());  // owned by the grid
    g->SetCellControls(1, 6, edit);
    g->SetRowModified(2, true);
    g->SetRowEnabled(4, false);
    g->SetRowSelect(6, true);
    c.Op(*g);
    auto where = [&](const QString& Name) {
      for (int r = 0; r < g->RowCount(); ++r)
        if (g->Cells(0, r) == Name) return r;
      return -1;
    };
    EXPECT_EQ(where(u"a2"_qs), c.Where[0]) << c.Name;
    EXPECT_EQ(where(u"a4"_qs), c.Where[1]) << c.Name;
    EXPECT_EQ(where(u"a6"_qs), c.Where[2]) << c.Name;
    for (int r = 0; r < g->RowCount(); ++r) {
      EXPECT_EQ(g->RowModified(r), r == c.Where[0]) << c.Name << " row " << r;
      EXPECT_EQ(g->RowEnabled(r), r != c.Where[1]) << c.Name << " row " << r;
      EXPECT_EQ(g->RowSelect(r), r == c.Where[2]) << c.Name << " row " << r;
    }
    EXPECT_EQ(g->SelectedRows()->StrValue(), QString::number(c.Where[2])) << c.Name;
    ASSERT_EQ(g->ControlList()->Count(), 1) << c.Name;
    EXPECT_EQ(g->ControlList()->Control(0)->Y, c.Where[2]) << c.Name;
  }
}

TEST(GridRows, CellControlsMoveWithInsertedRowsAndGoWithRemovedOnes) {
  auto g = Filled(2, 6);
  auto* edit = new TEdit(g.get());  // owned by the grid
  g->SetCellControls(1, 3, edit);
  edit->SetVisible(true);
  g->InsertRows(1, 2, true);
  EXPECT_EQ(g->ControlList()->Control(0)->Y, 5);
  g->InsertRows(0, 1, false);  // the controls stay where they are
  EXPECT_EQ(g->ControlList()->Control(0)->Y, 5);
  g->RemoveRows(5, 1);
  EXPECT_EQ(g->ControlList()->Count(), 0);
  EXPECT_FALSE(edit->Visible());
}

TEST(GridRows, RecordsAndOwnedObjectsAreFreedOnce) {
  int freed = 0;
  const int live = TCellProperties::LiveCount();
  {
    auto g = Filled(3, 8);
    g->SetOwnsObjects(true);
    for (int r = 0; r < 8; ++r) g->SetObjects(2, r, new Counted(&freed));
    EXPECT_EQ(TCellProperties::LiveCount(), live + 8);
    g->RemoveRows(0, 2);
    EXPECT_EQ(freed, 2);
    TIntList list(-1, -1);
    list.Add(0);
    list.Add(3);
    g->RemoveRowList(&list);
    EXPECT_EQ(freed, 4);
    EXPECT_EQ(TCellProperties::LiveCount(), live + 4);
    g->HideRow(1);
    g->ClearRows(0, 1);
    EXPECT_EQ(freed, 5);
    g->RemoveCols(2, 1);  // hidden rows lose the column too
    EXPECT_EQ(freed, 8);
    EXPECT_EQ(TCellProperties::LiveCount(), live);
    auto kept = std::make_unique<Counted>(&freed);
    g->SetObjects(0, 0, kept.get());
    g->SetOwnsObjects(false);
    g->Clear();
    EXPECT_EQ(freed, 8) << "without OwnsObjects the user keeps the object";
  }
  EXPECT_EQ(TCellProperties::LiveCount(), live);
  EXPECT_EQ(freed, 9);
}

TEST(GridClear, KeepsCountsWidthsAndHiddenRows) {
  auto g = Filled(3, 6);
  g->SetColWidths(1, 41);
  g->SetRowHeights(4, 33);
  g->HideRow(2);
  g->ShowModified()->SetEnabled(true);
  g->SetRowModified(5, true);
  g->Clear();
  EXPECT_EQ(g->RowCount(), 5);
  EXPECT_EQ(g->ColWidths(1), 41);
  EXPECT_EQ(g->RowHeights(3), 33);
  EXPECT_TRUE(g->IsHiddenRow(2));
  EXPECT_EQ(g->AllCells(1, 2), u"b2"_qs) << "a hidden row keeps its texts";
  EXPECT_TRUE(g->RowModified(5));
  for (int r = 0; r < g->RowCount(); ++r) EXPECT_EQ(Row(*g, r), (QStringList{QString(), QString(), QString()}));
  g->ClearAll();
  EXPECT_EQ(g->NumHiddenRows(), 0);
  EXPECT_EQ(g->RowCount(), 6);
  EXPECT_EQ(g->Cells(1, 2), QString());
}

TEST(GridRows, ThrowingCellsChangedHandlerLeavesNoBracketOpen) {
  struct Case {
    const char* Name;
    std::function<void(TKitStringGrid&)> Op;
  } cases[] = {
      {"InsertRows", [](TKitStringGrid& g) { g.InsertRows(1, 2); }},
      {"AddRow", [](TKitStringGrid& g) { g.AddRow(); }},
      {"RemoveRows", [](TKitStringGrid& g) { g.RemoveRows(1, 2); }},
      {"RemoveRowsEx", [](TKitStringGrid& g) { g.RemoveRowsEx(1, 2); }},
      {"RemoveRowRange", [](TKitStringGrid& g) { g.RemoveRowRange(1, 2); }},
      {"DeleteRowsEx", [](TKitStringGrid& g) { g.DeleteRowsEx(1, 1, false); }},
      {"RemoveCheckedRows", [](TKitStringGrid& g) { g.RemoveCheckedRows(1, true); }},
      {"RemoveCols", [](TKitStringGrid& g) { g.RemoveCols(1, 1); }},
      {"HideRows", [](TKitStringGrid& g) { g.HideRows(1, 2); }},
      {"Clear", [](TKitStringGrid& g) { g.Clear(); }},
  };
  for (const Case& c : cases) {
    auto g = Filled(3, 6);
    g->AddCheckBox(1, 3, true, false);
    g->HideRow(5);
    g->SetFixedFooters(1);
    g->MouseActions()->SetDisjunctRowSelect(true);
    g->OnCellsChanged = [](TObject*, TRect) { throw Exception(u"handler"_qs); };
    EXPECT_THROW(c.Op(*g), Exception) << c.Name;
    EXPECT_EQ(g->UpdateCount(), 0) << c.Name;
    EXPECT_EQ(g->FixedFooters(), 1) << c.Name;
    EXPECT_TRUE(g->MouseActions()->DisjunctRowSelect()) << c.Name;
    g->OnCellsChanged = nullptr;
    g->UnHideRowsAll();
    EXPECT_EQ(g->UpdateCount(), 0) << c.Name;
  }
}

TEST(GridRows, RowChangingHandlerCanKeepTheLastRow) {
  auto g = Filled(2, 5);
  g->SetFixedRows(1);
  g->SetRow(4);
  int asked = 0;
  g->OnRowChanging = [&](TObject*, int OldRow, int NewRow, bool& Allow) {
    ++asked;
    EXPECT_EQ(OldRow, 4);
    EXPECT_EQ(NewRow, 3);
    Allow = false;
  };
  g->RemoveRowRange(4, 1);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(g->RowCount(), 5);
  g->OnRowChanging = nullptr;
  g->RemoveRowRange(4, 1);
  EXPECT_EQ(g->RowCount(), 4);
  EXPECT_EQ(g->Row(), 3);
}

TEST(GridRows, FloatingFooterStaysTheLastRow) {
  auto g = Filled(2, 4);
  g->SetFixedRows(1);
  g->FloatingFooter()->SetVisible(true);
  const int rows = g->RowCount();
  g->SetGridCells(0, rows - 1, u"sum"_qs);
  g->AddRow();
  EXPECT_EQ(g->RowCount(), rows + 1);
  EXPECT_EQ(g->GridCells(0, rows), u"sum"_qs);
  EXPECT_EQ(g->GridCells(0, rows - 1), QString());
  g->HideRows(1, 2);
  EXPECT_EQ(g->GridCells(0, g->RowCount() - 1), u"sum"_qs);
  g->RemoveRows(g->RowCount() - 1, 1);  // the footer row is not removed
  EXPECT_EQ(g->GridCells(0, g->RowCount() - 1), u"sum"_qs);
  g->UnHideRowsAll();
  EXPECT_EQ(g->RowCount(), rows + 1);
  EXPECT_EQ(g->GridCells(0, g->RowCount() - 1), u"sum"_qs);
  EXPECT_EQ(Column(*g, 0).mid(0, 3), (QStringList{u"a0"_qs, u"a1"_qs, u"a2"_qs}));
}

}  // namespace
