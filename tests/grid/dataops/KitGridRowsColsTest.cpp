// Emptying, inserting and removing rows and columns, and hidden columns:
// texts and records move together and are freed once, the counts and lists
// stay in step, hidden columns keep their cells and widths.

#include <gtest/gtest.h>

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

}  // namespace
