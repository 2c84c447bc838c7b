// Hidden and suppressed rows: the sorted lookup against a brute-force model,
// rows that hide and come back with texts, records and heights, filter
// levels, the maps under a random sequence of hides, shows, insertions and
// removals, suppression, the parked selection, the current-row setter and
// the used cells.

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <algorithm>
#include <random>
#include <vector>

#include "grid/dataops/KitGridHiddenRowIndex.h"
#include "grid/model/KitGrid.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/TestSupport.h"

using gridtest::NewGrid;

namespace {

// One column of row names "r0".."rN", no fixed rows or columns, a record on
// every row (its colour names the row) and a height of its own per row.
std::unique_ptr<TKitStringGrid> Named(int Rows, int Cols = 2) {
  auto g = NewGrid();
  g->SetFixedRows(0);
  g->SetFixedCols(0);
  g->SetColCount(Cols);
  g->SetRowCount(Rows);
  for (int r = 0; r < Rows; ++r) {
    g->SetCells(0, r, QStringLiteral("r%1").arg(r));
    g->SetCells(1, r, QStringLiteral("x%1").arg(r));
    g->SetColors(1, r, 0x100 + r);
    g->SetRowHeights(r, 20 + r % 7);
  }
  return g;
}

QStringList Shown(TKitStringGrid& g) {
  QStringList out;
  for (int r = 0; r < g.RowCount(); ++r) out << g.Cells(0, r);
  return out;
}

// ---------------------------------------------------------------------------
// The lookup on its own

TEST(HiddenRowIndex, MapsAgreeWithCountingOnRandomSets) {
  QRandomGenerator rng(20261211);
  for (int round = 0; round < 200; ++round) {
    const int total = 1 + int(rng.bounded(60));
    std::vector<bool> hidden(static_cast<size_t>(total));
    std::vector<std::pair<int, TGridItem*>> entries;
    for (int r = 0; r < total; ++r)
      if (rng.bounded(3) == 0) {
        hidden[size_t(r)] = true;
        entries.emplace_back(r, nullptr);
      }
    std::shuffle(entries.begin(), entries.end(), std::mt19937(round));
    THiddenRowIndex index;
    index.Build(entries);
    std::vector<int> shown;
    for (int r = 0; r < total; ++r)
      if (!hidden[size_t(r)]) shown.push_back(r);
    for (size_t d = 0; d < shown.size(); ++d) ASSERT_EQ(index.DisplToReal(int(d)), shown[d]) << round << " d" << d;
    for (int r = 0; r < total; ++r) {
      ASSERT_EQ(index.IsHidden(r), bool(hidden[size_t(r)])) << round << " r" << r;
      const int below = int(std::count(hidden.begin(), hidden.begin() + r, true));
      ASSERT_EQ(index.RealToDispl(r), r - below) << round << " r" << r;
    }
    // Past the last row the map goes on one row per display row.
    ASSERT_EQ(index.DisplToReal(int(shown.size()) + 3), total + 3);
  }
}

TEST(HiddenRowIndex, DuplicateIndexesCountOnce) {
  THiddenRowIndex index;
  index.Build({{4, nullptr}, {2, nullptr}, {4, nullptr}});
  EXPECT_EQ(index.Count(), 2);
  EXPECT_EQ(index.DisplToReal(2), 3);
  EXPECT_EQ(index.DisplToReal(3), 5);
  EXPECT_EQ(index.DisplToReal(-1), -1);
}

// ---------------------------------------------------------------------------
// Hiding and showing blocks

TEST(GridHiddenRows, BlockHidesAndComesBackWithTextsRecordsAndHeights) {
  auto g = Named(8);
  const int live = TCellProperties::LiveCount();
  g->HideRows(2, 4);
  EXPECT_EQ(g->RowCount(), 5);
  EXPECT_EQ(g->NumHiddenRows(), 3);
  EXPECT_EQ(g->TotalRowCount(), 8);
  EXPECT_EQ(Shown(*g), (QStringList{u"r0"_qs, u"r1"_qs, u"r5"_qs, u"r6"_qs, u"r7"_qs}));
  EXPECT_EQ(g->RealRowIndex(2), 5);
  EXPECT_EQ(g->DisplRowIndex(5), 2);
  EXPECT_EQ(g->RowHeights(2), 20 + 5);
  EXPECT_EQ(TCellProperties::LiveCount(), live) << "the records wait with their rows";
  // The hidden rows answer by real row.
  EXPECT_TRUE(g->IsHiddenRow(3));
  EXPECT_EQ(g->AllCells(0, 3), u"r3"_qs);
  g->SetAllCells(0, 3, u"r3!"_qs);
  ASSERT_NE(g->GetHiddenRowStrings(3), nullptr);
  EXPECT_EQ(g->GetHiddenRowStrings(3)->Strings(0), u"r3!"_qs);

  g->UnHideRows(2, 4);
  EXPECT_EQ(g->NumHiddenRows(), 0);
  EXPECT_EQ(g->HiddenRowStore()->Count(), 0);
  EXPECT_EQ(Shown(*g), (QStringList{u"r0"_qs, u"r1"_qs, u"r2"_qs, u"r3!"_qs, u"r4"_qs, u"r5"_qs, u"r6"_qs, u"r7"_qs}));
  for (int r = 0; r < 8; ++r) {
    EXPECT_EQ(g->Colors(1, r), 0x100 + r) << r;
    EXPECT_EQ(g->RowHeights(r), 20 + r % 7) << r;
  }
  EXPECT_EQ(TCellProperties::LiveCount(), live);
  EXPECT_EQ(g->UpdateCount(), 0);
}

TEST(GridHiddenRows, BlockOverAHiddenRowStoresEveryNewRowOnce) {
  auto g = Named(8);
  g->HideRow(3);
  TStrings* earlier = g->GetHiddenRowStrings(3);
  g->HideRows(2, 5);
  EXPECT_EQ(g->NumHiddenRows(), 4);
  EXPECT_EQ(g->GetHiddenRowStrings(3), earlier) << "the earlier record stays as it was";
  for (int r = 2; r <= 5; ++r) {
    ASSERT_NE(g->GetHiddenRowStrings(r), nullptr) << r;
    EXPECT_EQ(g->GetHiddenRowStrings(r)->Strings(0), QStringLiteral("r%1").arg(r));
  }
  EXPECT_EQ(Shown(*g), (QStringList{u"r0"_qs, u"r1"_qs, u"r6"_qs, u"r7"_qs}));
  // A block that is hidden already changes nothing; showing from a row that
  // is not hidden shows nothing.
  g->HideRows(3, 4);
  EXPECT_EQ(g->NumHiddenRows(), 4);
  g->UnHideRows(1, 6);
  EXPECT_EQ(g->NumHiddenRows(), 4);
  g->UnHideRowsAll();
  EXPECT_EQ(g->RowCount(), 8);
  EXPECT_EQ(Shown(*g).join(','), u"r0,r1,r2,r3,r4,r5,r6,r7"_qs);
}

TEST(GridHiddenRows, NeverHidesEveryRow) {
  struct Case {
    int FixedRows;
    int From, To;
    int Shown;  // rows left in the store
  } cases[] = {{0, 0, 5, 1}, {1, 0, 5, 2}, {1, 1, 5, 2}, {0, 2, 3, 4}};
  for (const Case& c : cases) {
    auto g = Named(6);
    g->SetFixedRows(c.FixedRows);
    g->HideRows(c.From, c.To);
    EXPECT_EQ(g->RowCount(), c.Shown) << c.FixedRows << " " << c.From << "-" << c.To;
    EXPECT_EQ(g->FixedRows(), c.FixedRows);
    EXPECT_EQ(g->RowCount() + g->NumHiddenRows(), 6);
    g->UnHideRowsAll();
    EXPECT_EQ(Shown(*g).join(','), u"r0,r1,r2,r3,r4,r5"_qs);
  }
}

TEST(GridHiddenRows, HideRowsExRecordsTheHeight) {
  // A record without the height would bring the row back 0 pixels high,
  // shown but invisible.
  auto g = Named(5);
  g->HideRowsEx(1, 2);
  EXPECT_EQ(g->RowCount(), 3);
  g->HideRowsEx(1, 3);  // FromRow hidden already: nothing
  EXPECT_EQ(g->RowCount(), 3);
  g->UnHideRows(1, 2);
  EXPECT_EQ(g->RowHeights(1), 21);
  EXPECT_EQ(g->RowHeights(2), 22);
}

TEST(GridHiddenRows, CellControlsOfHiddenRowsGoInvisibleAndBack) {
  auto g = Named(5);
  auto* edit = new TEdit(g.get());  // owned by the grid
  g->SetCellControls(1, 3, edit);
  edit->SetVisible(true);
  g->HideRows(2, 3);
  EXPECT_FALSE(edit->Visible());
  EXPECT_EQ(g->ControlList()->Control(0)->Y, 3) << "controls keep their real row";
  g->UnHideRows(2, 3);
  EXPECT_TRUE(edit->Visible());
}

// ---------------------------------------------------------------------------
// Filter levels

TEST(GridHiddenRows, FilterLevelsComeBackInReverseOrderAtTheirPlaces) {
  auto g = Named(8);
  TIntList first(-1, -1);
  for (int r : {1, 3, 6}) first.Add(r);
  g->HideRowList(&first);
  EXPECT_EQ(g->FilterLevel(), 1);
  EXPECT_EQ(Shown(*g).join(','), u"r0,r2,r4,r5,r7"_qs);
  TIntList second(-1, -1);
  for (int r : {0, 3}) second.Add(r);  // display rows: r0 and r5
  g->HideRowList(&second);
  EXPECT_EQ(g->FilterLevel(), 2);
  EXPECT_EQ(Shown(*g).join(','), u"r2,r4,r7"_qs);
  EXPECT_EQ(g->RealRowIndex(2), 7);

  g->UnHideRowList();
  EXPECT_EQ(g->FilterLevel(), 1);
  EXPECT_EQ(Shown(*g).join(','), u"r0,r2,r4,r5,r7"_qs);
  g->UnHideRowList();
  EXPECT_EQ(g->FilterLevel(), 0);
  EXPECT_EQ(Shown(*g).join(','), u"r0,r1,r2,r3,r4,r5,r6,r7"_qs);
  for (int r = 0; r < 8; ++r) EXPECT_EQ(g->RowHeights(r), 20 + r % 7) << r;
  g->UnHideRowList();  // no level left: nothing
  EXPECT_EQ(g->RowCount(), 8);
}

TEST(GridHiddenRows, FilterUndoLeavesRowsHiddenByHand) {
  // Hidden by hand, then filtered, then unfiltered: the hand-hidden row
  // stays hidden and every row keeps its order.
  auto g = Named(6);
  g->HideRow(2);
  TIntList list(-1, -1);
  list.Add(0);
  list.Add(3);  // display row 3 is r4
  g->HideRowList(&list);
  EXPECT_EQ(Shown(*g).join(','), u"r1,r3,r5"_qs);
  g->UnHideRowList();
  EXPECT_EQ(Shown(*g).join(','), u"r0,r1,r3,r4,r5"_qs);
  EXPECT_TRUE(g->IsHiddenRow(2));
  g->UnHideRow(2);
  EXPECT_EQ(Shown(*g).join(','), u"r0,r1,r2,r3,r4,r5"_qs);
}

TEST(GridHiddenRows, FilterListOfEveryRowKeepsTheFirst) {
  auto g = Named(4);
  TIntList list(-1, -1);
  for (int r = 0; r < 4; ++r) list.Add(r);
  g->HideRowList(&list);
  EXPECT_EQ(Shown(*g).join(','), u"r0"_qs);
  g->UnHideRowList();
  EXPECT_EQ(g->RowCount(), 4);
}

TEST(GridHiddenRows, SuppressingFilterKeepsRowsInTheStore) {
  auto g = Named(4);
  g->SetFilterType(ftSuppress);
  TIntList list(-1, -1);
  list.Add(1);
  list.Add(2);
  g->HideRowList(&list);
  EXPECT_EQ(g->RowCount(), 4);
  EXPECT_EQ(g->NumSuppressedRows(), 2);
  EXPECT_EQ(g->FilterLevel(), 0);
  g->UnSuppressAllRows();
  EXPECT_EQ(g->RowHeights(1), 21);
  EXPECT_EQ(g->RowHeights(2), 22);
}

// ---------------------------------------------------------------------------
// The maps under a random sequence of operations

// The grid's rows as a plain list in real order.
struct ModelRow {
  QString Name;
  bool Hidden = false;
  int Level = -1;  // filter level, -1: hidden by hand or shown
  bool Modified = false;
  int Height = 24;
};

struct Model {
  std::vector<ModelRow> Rows;
  int FilterLevel = 0;
  int Named = 0;

  std::vector<int> ShownReal() const {
    std::vector<int> out;
    for (size_t r = 0; r < Rows.size(); ++r)
      if (!Rows[r].Hidden) out.push_back(int(r));
    return out;
  }
  // Rows to hide beyond what keeps one row shown are dropped from the
  // front; answers how many were hidden.
  size_t Hide(std::vector<int> Reals, int Level) {
    const size_t room = ShownReal().size() - 1;
    if (Reals.size() > room) Reals.erase(Reals.begin(), Reals.end() - ptrdiff_t(room));
    for (int r : Reals) {
      Rows[size_t(r)].Hidden = true;
      Rows[size_t(r)].Level = Level;
    }
    return Reals.size();
  }
};

void CheckAgainst(TKitStringGrid& g, const Model& m, const QString& step) {
  const std::vector<int> shown = m.ShownReal();
  ASSERT_EQ(g.RowCount(), int(shown.size())) << step.toStdString();
  ASSERT_EQ(g.NumHiddenRows(), int(m.Rows.size() - shown.size())) << step.toStdString();
  for (size_t d = 0; d < shown.size(); ++d) {
    const ModelRow& row = m.Rows[size_t(shown[d])];
    ASSERT_EQ(g.Cells(0, int(d)), row.Name) << step.toStdString() << " d" << d;
    ASSERT_EQ(g.RealRowIndex(int(d)), shown[d]) << step.toStdString() << " d" << d;
    ASSERT_EQ(g.RowHeights(int(d)), row.Height) << step.toStdString() << " d" << d;
    ASSERT_EQ(g.Colors(1, int(d)), 0x100 + row.Name.mid(1).toInt()) << step.toStdString() << " d" << d;
  }
  for (size_t r = 0; r < m.Rows.size(); ++r) {
    const ModelRow& row = m.Rows[r];
    ASSERT_EQ(g.IsHiddenRow(int(r)), row.Hidden) << step.toStdString() << " r" << r;
    ASSERT_EQ(g.AllCells(0, int(r)), row.Name) << step.toStdString() << " r" << r;
    ASSERT_EQ(g.RowModified(int(r)), row.Modified) << step.toStdString() << " r" << r;
    if (!row.Hidden) ASSERT_EQ(g.DisplRowIndex(int(r)), int(std::find(shown.begin(), shown.end(), int(r)) - shown.begin()));
  }
}

TEST(GridHiddenRows, MapsAgreeWithAModelOverRandomOperations) {
  QRandomGenerator rng(8103);
  auto g = Named(12);
  g->ShowModified()->SetEnabled(true);
  Model m;
  for (int r = 0; r < 12; ++r) m.Rows.push_back(ModelRow{QStringLiteral("r%1").arg(r), false, -1, false, 20 + r % 7});
  m.Named = 12;
  for (int r : {2, 5, 9}) {
    g->SetRowModified(r, true);
    m.Rows[size_t(r)].Modified = true;
  }
  const int baseline = TCellProperties::LiveCount() - 12;
  CheckAgainst(*g, m, u"start"_qs);
  for (int step = 0; step < 400; ++step) {
    const int total = int(m.Rows.size());
    const int shown = int(m.ShownReal().size());
    const int op = int(rng.bounded(7));
    QString what;
    if (op == 0) {  // HideRows over a real block
      const int from = int(rng.bounded(total));
      const int to = std::min(total - 1, from + int(rng.bounded(4)));
      what = QStringLiteral("%1 HideRows(%2,%3)").arg(step).arg(from).arg(to);
      std::vector<int> reals;
      for (int r = from; r <= to; ++r)
        if (!m.Rows[size_t(r)].Hidden) reals.push_back(r);
      m.Hide(reals, -1);
      g->HideRows(from, to);
    } else if (op == 1) {  // UnHideRows over a real block
      const int from = int(rng.bounded(total));
      const int to = std::min(total - 1, from + int(rng.bounded(5)));
      what = QStringLiteral("%1 UnHideRows(%2,%3)").arg(step).arg(from).arg(to);
      if (m.Rows[size_t(from)].Hidden)
        for (int r = from; r <= to; ++r) {
          m.Rows[size_t(r)].Hidden = false;
          m.Rows[size_t(r)].Level = -1;
        }
      g->UnHideRows(from, to);
    } else if (op == 2) {  // one filter level of random display rows
      TIntList list(-1, -1);
      std::vector<int> reals;
      const std::vector<int> shownReal = m.ShownReal();
      for (int d = 0; d < shown; ++d)
        if (rng.bounded(3) == 0) {
          list.Add(d);
          reals.push_back(shownReal[size_t(d)]);
        }
      what = QStringLiteral("%1 HideRowList(%2)").arg(step).arg(list.StrValue());
      if (m.Hide(reals, m.FilterLevel) > 0) ++m.FilterLevel;
      g->HideRowList(&list);
    } else if (op == 3) {
      what = QStringLiteral("%1 UnHideRowList").arg(step);
      if (m.FilterLevel > 0) {
        --m.FilterLevel;
        for (ModelRow& row : m.Rows)
          if (row.Hidden && row.Level == m.FilterLevel) {
            row.Hidden = false;
            row.Level = -1;
          }
      }
      g->UnHideRowList();
    } else if (op == 4 && shown > 2) {  // remove display rows
      const int d = int(rng.bounded(shown));
      const int n = std::min(1 + int(rng.bounded(2)), shown - d);
      if (shown - n < 1) continue;
      what = QStringLiteral("%1 RemoveRows(%2,%3)").arg(step).arg(d).arg(n);
      const std::vector<int> shownReal = m.ShownReal();
      for (int i = n - 1; i >= 0; --i) m.Rows.erase(m.Rows.begin() + shownReal[size_t(d + i)]);
      g->RemoveRows(d, n);
    } else if (op == 5) {  // insert display rows, named at once
      const int d = int(rng.bounded(shown + 1));
      const int n = 1 + int(rng.bounded(2));
      what = QStringLiteral("%1 InsertRows(%2,%3)").arg(step).arg(d).arg(n);
      const std::vector<int> shownReal = m.ShownReal();
      const int at = d < shown ? shownReal[size_t(d)] : total;
      g->InsertRows(d, n);
      for (int i = 0; i < n; ++i) {
        const QString name = QStringLiteral("r%1").arg(m.Named++);
        m.Rows.insert(m.Rows.begin() + at + i, ModelRow{name, false, -1, false, g->DefaultRowHeight()});
        g->SetCells(0, d + i, name);
        g->SetColors(1, d + i, 0x100 + name.mid(1).toInt());
      }
    } else {  // mark a shown row modified
      if (shown == 0) continue;
      const int d = int(rng.bounded(shown));
      const int real = m.ShownReal()[size_t(d)];
      what = QStringLiteral("%1 SetRowModified(%2)").arg(step).arg(real);
      m.Rows[size_t(real)].Modified = true;
      g->SetRowModified(real, true);
    }
    ASSERT_NO_FATAL_FAILURE(CheckAgainst(*g, m, what));
    ASSERT_EQ(TCellProperties::LiveCount() - baseline, int(m.Rows.size())) << what.toStdString();
    ASSERT_EQ(g->UpdateCount(), 0) << what.toStdString();
  }
  g.reset();
  EXPECT_EQ(TCellProperties::LiveCount(), baseline) << "hidden rows' records go with the grid";
}

// ---------------------------------------------------------------------------
// Suppression

TEST(GridSuppressedRows, RememberedSizes) {
  auto g = Named(5);
  g->SuppressRow(2);
  g->SuppressRow(2);  // already 0: the first size stays remembered
  EXPECT_TRUE(g->IsSuppressedRow(2));
  EXPECT_EQ(g->NumSuppressedRows(), 1);
  g->UnSuppressRow(2);
  EXPECT_EQ(g->RowHeights(2), 22);
  g->SuppressRows(1, 3);
  EXPECT_EQ(g->NumSuppressedRows(), 3);
  g->UnSuppressRows(1, 2);
  EXPECT_EQ(g->NumSuppressedRows(), 1);
  g->UnSuppressAllRows();
  EXPECT_EQ(g->NumSuppressedRows(), 0);
  EXPECT_EQ(g->RowHeights(3), 23);
  // A row taken out and put back by a hide keeps its remembered size.
  g->SuppressRow(4);
  g->HideRow(1);
  EXPECT_TRUE(g->IsSuppressedRow(3));
  g->UnSuppressRow(3);
  EXPECT_EQ(g->RowHeights(3), 24);

  g->SetColWidths(1, 70);
  g->SuppressColumn(1);
  EXPECT_TRUE(g->IsSuppressedColumn(1));
  EXPECT_FALSE(g->IsSuppressedColumn(0));
  g->UnSuppressColumn(1);
  EXPECT_EQ(g->ColWidths(1), 70);
  g->SuppressColumn(0);
  g->UnSuppressAllColumns();
  EXPECT_FALSE(g->IsSuppressedColumn(0));
  EXPECT_EQ(testsupport::MessageOf([&] { g->SuppressRow(9); }),
            u"EInvalidGridOperation: Grid index out of range"_qs);
}

TEST(GridSuppressedRows, OpenRowsLeaveContractedNodesAlone) {
  auto g = Named(6);
  g->AddNode(1, 3);  // node row 1, children 2 and 3
  g->SuppressRows(2, 3);
  g->SuppressRow(5);
  g->GetCellGraphic(g->CellNode()->NodeColumn(), 1)->SetCellBoolean(true);  // contracted
  g->UnSuppressAllOpenRows();
  EXPECT_TRUE(g->IsSuppressedRow(2));
  EXPECT_TRUE(g->IsSuppressedRow(3));
  EXPECT_FALSE(g->IsSuppressedRow(5));
}

// ---------------------------------------------------------------------------
// Selection, current row, used cells

TEST(GridRowState, ParkedSelectionAndItsReturn) {
  auto g = Named(6);
  g->SetFixedRows(1);
  g->SetFixedCols(1);
  g->SetSelection(MakeGridRect(1, 4, 1, 5));
  g->HideSelection();
  EXPECT_TRUE(g->IsSelectionHidden());
  g->UnHideSelection();
  EXPECT_FALSE(g->IsSelectionHidden());
  EXPECT_EQ(g->Selection(), MakeGridRect(1, 4, 1, 5));
  g->HideSelection();
  g->SetRowCount(3);
  g->UnHideSelection();
  EXPECT_EQ(g->Selection(), MakeGridRect(1, 1, 1, 1));
}

TEST(GridRowState, RowSetterReportsOldAndNewRow) {
  auto g = Named(6);
  g->SetFixedRows(1);
  std::vector<std::pair<int, int>> changes;
  g->OnRowChanged = [&](TObject*, int OldRow, int NewRow) { changes.emplace_back(OldRow, NewRow); };
  g->SetRow(3);
  g->SetRow(3);
  g->SetRow(0);  // below the fixed rows: the first scrollable row
  EXPECT_EQ(g->Row(), 1);
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[1], (std::pair<int, int>{3, 1}));
  g->HideRow(0);
  EXPECT_EQ(g->RealRow(), g->Row() + 1);
}

TEST(GridRowState, UsedCells) {
  auto g = NewGrid();
  g->SetColCount(6);
  g->SetRowCount(6);
  EXPECT_EQ(g->UsedCells(), TRect(0, 0, 0, 0));
  g->SetCells(4, 1, u"a"_qs);
  g->SetCells(2, 3, u"b"_qs);
  EXPECT_EQ(g->UsedCells(), TRect(2, 1, 4, 3));
}

}  // namespace
