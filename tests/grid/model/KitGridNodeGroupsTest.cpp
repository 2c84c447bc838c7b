// Node rows as groups: the row count a group header shows beside its text,
// and check boxes that keep a group in step (a node's box checks its rows, a
// row's box makes the nodes above show whether their rows agree), with undo
// and redo of every toggle as one step.

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>

#include "grid/model/KitGrid.h"
#include "grid/model/KitGridUndo.h"
#include "platform/vcl/Forms.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/harness/Harness.h"
#include "tests/support/PixelProbes.h"

using gridtest::NewGrid;

namespace {

// The boxes of column ACol in rows From..To: x checked, - unchecked,
// ? grayed, blank without box.
QString Boxes(TKitStringGrid& Grid, int ACol, int From, int To) {
  QString s;
  for (int r = From; r <= To; ++r) {
    TCheckBoxState state = cbUnchecked;
    if (!Grid.GetCheckBoxState(ACol, r, state)) s += u' ';
    else s += state == cbChecked ? u'x' : (state == cbGrayed ? u'?' : u'-');
  }
  return s;
}

enum class Act { Toggle, Undo, Redo };

struct TStep {
  const char* What;
  Act Action;
  int Row;  // for Toggle
  const char* Want;
};

class NodeChecksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Grid = NewGrid();
    Undo = std::make_unique<TKitGridUndoRedo>(nullptr);
    Grid->SetUndoRedo(Undo.get());
    Grid->SetColCount(3);
    Grid->SetFixedCols(1);
    Grid->SetFixedRows(1);
    Grid->OnCheckBoxChange = [this](TObject*, int ACol, int ARow, bool State) {
      Toggled << QStringLiteral("%1,%2 %3").arg(ACol).arg(ARow).arg(int(State));
    };
  }
  void TearDown() override { Grid->SetUndoRedo(nullptr); }
  void Run(const TStep* Steps, size_t Count, int LastRow) {
    for (size_t i = 0; i < Count; ++i) {
      const TStep& s = Steps[i];
      SCOPED_TRACE(s.What);
      Toggled.clear();
      switch (s.Action) {
        case Act::Toggle:
          EXPECT_TRUE(Grid->ToggleCheckBox(2, s.Row));
          // The toggled box alone tells its change.
          ASSERT_EQ(Toggled.size(), 1);
          EXPECT_TRUE(Toggled[0].startsWith(QStringLiteral("2,%1 ").arg(s.Row)));
          break;
        case Act::Undo: Undo->Undo(); break;
        case Act::Redo: Undo->Redo(); break;
      }
      EXPECT_EQ(Boxes(*Grid, 2, 1, LastRow), QString::fromLatin1(s.Want));
    }
  }
  std::unique_ptr<TKitStringGrid> Grid;
  std::unique_ptr<TKitGridUndoRedo> Undo;
  QStringList Toggled;
};

}  // namespace

// Two groups: node A on row 1 over rows 2-4, node B on row 5 over rows 6-7,
// row 8 in no group.
TEST_F(NodeChecksTest, GroupsFollowTheirBoxes) {
  Grid->SetRowCount(9);
  Grid->AddNode(1, 4);
  Grid->AddNode(5, 3);
  Grid->Grouping()->SetAutoCheckGroup(true);
  Grid->AddCheckBoxColumn(2, false, false);
  ASSERT_EQ(Grid->GetCellType(2, 1), ctTriStateCheckBox);
  ASSERT_EQ(Grid->GetCellType(2, 2), ctCheckBox);
  const TStep steps[] = {
      {"a row of A: A is grayed", Act::Toggle, 2, "?x------"},
      {"another row of A", Act::Toggle, 3, "?xx-----"},
      {"a grayed node checks all its rows", Act::Toggle, 1, "xxxx----"},
      {"undo: the rows and the grayed node come back", Act::Undo, 0, "?xx-----"},
      {"redo", Act::Redo, 0, "xxxx----"},
      {"the last row of A unchecked", Act::Toggle, 4, "?xx-----"},
      {"and checked again: A's rows agree", Act::Toggle, 4, "xxxx----"},
      {"a checked node unchecks its rows", Act::Toggle, 1, "--------"},
      {"node B checks its rows only", Act::Toggle, 5, "----xxx-"},
      {"a row outside every node changes alone", Act::Toggle, 8, "----xxxx"},
      {"undo the lone row", Act::Undo, 0, "----xxx-"},
      {"undo node B in one step", Act::Undo, 0, "--------"},
      {"undo node A in one step", Act::Undo, 0, "xxxx----"},
      {"redo node A", Act::Redo, 0, "--------"},
  };
  Run(steps, std::size(steps), 8);
}

// Node A on row 1 over rows 2-6 holds node N on row 3 over rows 4-5.
TEST_F(NodeChecksTest, NestedNodesAgreeUpwards) {
  Grid->SetRowCount(8);
  Grid->AddNode(1, 6);
  Grid->AddNode(3, 3);
  ASSERT_EQ(Grid->GetParentRow(4), 3);
  ASSERT_EQ(Grid->GetParentRow(6), 1);
  Grid->Grouping()->SetAutoCheckGroup(true);
  Grid->AddCheckBoxColumn(2, false, false);
  const TStep steps[] = {
      {"a row of N: N and A are grayed", Act::Toggle, 4, "?-?x---"},
      {"grayed A checks everything below it", Act::Toggle, 1, "xxxxxx-"},
      {"undo gives N its grayed state back", Act::Undo, 0, "?-?x---"},
      {"N checks its rows; A still mixed", Act::Toggle, 3, "?-xxx--"},
      {"a row of A", Act::Toggle, 2, "?xxxx--"},
      {"the last row of A: all agree", Act::Toggle, 6, "xxxxxx-"},
      {"undo", Act::Undo, 0, "?xxxx--"},
      {"undo", Act::Undo, 0, "?-xxx--"},
      {"undo N's toggle", Act::Undo, 0, "?-?x---"},
      {"grayed N checks its rows", Act::Toggle, 3, "?-xxx--"},
      {"checked N unchecks them: A's rows all agree", Act::Toggle, 3, "-------"},
  };
  Run(steps, std::size(steps), 7);
}

// Data check boxes keep their state in the text: a node writes its rows'
// texts, and undo writes them back.
TEST_F(NodeChecksTest, DataBoxesOfAGroupTakeTheirTexts) {
  Grid->SetRowCount(5);
  Grid->AddNode(1, 4);
  Grid->Grouping()->SetAutoCheckGroup(true);
  Grid->SetCells(2, 3, QStringLiteral("Y"));
  Grid->AddCheckBoxColumn(2, false, true);
  auto texts = [&] { return Grid->Cells(2, 2) + Grid->Cells(2, 3) + Grid->Cells(2, 4); };
  EXPECT_EQ(texts(), "NYN");
  ASSERT_TRUE(Grid->ToggleCheckBox(2, 2));
  EXPECT_EQ(Boxes(*Grid, 2, 1, 4), "?xx-");
  ASSERT_TRUE(Grid->ToggleCheckBox(2, 1));
  EXPECT_EQ(texts(), "YYY");
  EXPECT_EQ(Boxes(*Grid, 2, 1, 4), "xxxx");
  Undo->Undo();
  EXPECT_EQ(texts(), "YYN");
  EXPECT_EQ(Boxes(*Grid, 2, 1, 4), "?xx-");
  Undo->Undo();
  EXPECT_EQ(texts(), "NYN");
  EXPECT_EQ(Boxes(*Grid, 2, 1, 4), "?-x-");
}

// Without AutoCheckGroup, in a fixed row, or without nodes, a box changes
// alone.
TEST_F(NodeChecksTest, BoxesOutsideACheckGroupChangeAlone) {
  struct TCase {
    const char* What;
    bool Auto;
    bool Nodes;
    int Row;
    const char* Want;  // rows 0-4
  } cases[] = {
      {"no AutoCheckGroup: node row", false, true, 1, "-x---"},
      {"no AutoCheckGroup: row", false, true, 3, "---x-"},
      {"no nodes", true, false, 1, "-x---"},
      {"a fixed row's box", true, true, 0, "x----"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    auto grid = NewGrid();
    grid->SetColCount(3);
    grid->SetRowCount(5);
    grid->SetFixedRows(1);
    if (c.Nodes) grid->AddNode(1, 4);
    grid->Grouping()->SetAutoCheckGroup(c.Auto);
    for (int r = 0; r < 5; ++r) grid->AddCheckBox(2, r, false, false);
    ASSERT_TRUE(grid->ToggleCheckBox(2, c.Row));
    EXPECT_EQ(Boxes(*grid, 2, 0, 4), QString::fromLatin1(c.Want));
  }
}

// ---------------------------------------------------------------------------
// The group count beside a group header's text

TEST(NodeGroupCount, HeaderTextsShowTheirRowCount) {
  auto g = NewGrid();
  g->SetColCount(3);
  g->SetRowCount(10);
  g->SetFixedRows(1);
  g->AddNode(1, 3);  // A: rows 2-3
  g->AddNode(4, 1);  // B: no rows
  g->AddNode(5, 2);  // C: row 6, then a child row added under it
  g->InsertChildRow(5, 0);
  ASSERT_EQ(g->RowCount(), 11);
  ASSERT_EQ(g->GetNodeSpan(5), 3);
  ASSERT_EQ(g->GetSubNodeCount(5), 1);
  g->AddNode(9, 1);  // D: span 0, reaching the grid's end (rows 9-10)
  g->GetCellGraphic(g->CellNode()->NodeColumn(), 9)->SetCellIndex(0);
  ASSERT_EQ(g->GetNodeSpan(9), 0);
  g->SetCells(1, 1, QStringLiteral("A"));
  g->SetCells(2, 1, QStringLiteral("side"));
  g->SetCells(1, 2, QStringLiteral("a1"));
  g->SetCells(1, 4, QStringLiteral("B"));
  g->SetCells(1, 5, QStringLiteral("C"));
  g->SetCells(1, 9, QStringLiteral("D"));

  struct TCase {
    const char* What;
    bool Show;
    const char* Format;
    int Col, Row;
    const char* Want;
  } cases[] = {
      {"off", false, "", 1, 1, "A"},
      {"rows below the header", true, "", 1, 1, "A (2)"},
      {"a header alone", true, "", 1, 4, "B (0)"},
      {"child rows added are not counted", true, "", 1, 5, "C (1)"},
      {"a span of 0 counts to the next node", true, "", 1, 9, "D (1)"},
      {"the count format", true, " [%d items]", 1, 1, "A [2 items]"},
      {"a format the formatter refuses", true, " %s", 1, 1, "A"},
      {"another column", true, "", 2, 1, "side"},
      {"a row of the group", true, "", 1, 2, "a1"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    g->Grouping()->SetShowGroupCount(c.Show);
    g->Grouping()->SetGroupCountFormat(QString::fromLatin1(c.Format));
    EXPECT_EQ(g->Cells(c.Col, c.Row), QString::fromLatin1(c.Want));
  }
  // The stored text stays as it was.
  EXPECT_EQ(g->GridCells(1, 1), "A");
}

// ---------------------------------------------------------------------------
// A grouped look painted: group headers with their counts and the three
// states of their boxes.

TEST(NodeGroupPaint, HeadersShowCountsAndBoxStates) {
  auto form = std::make_unique<TForm>(nullptr);
  form->SetBounds(10, 10, 420, 300);
  TKitStringGrid* grid = Create<TKitStringGrid>(form.get());
  grid->SetBounds(0, 0, 400, 260);
  grid->SetBorderStyle(bsNone);
  grid->SetScrollBars(ssNone);
  grid->SetColor(0xFFFFFF);
  grid->SetColCount(3);
  grid->SetRowCount(10);
  grid->SetFixedRows(1);
  grid->SetFixedCols(0);
  grid->SetDefaultColWidth(120);
  grid->SetDefaultRowHeight(22);
  grid->SetCells(1, 0, QStringLiteral("Group"));
  grid->SetCells(2, 0, QStringLiteral("Done"));
  // Three groups of two rows: all checked, mixed, none.
  const char* names[] = {"Alpha", "Beta", "Gamma"};
  for (int i = 0; i < 3; ++i) {
    const int header = 1 + 3 * i;
    grid->AddNode(header, 3);
    grid->SetCells(1, header, QString::fromLatin1(names[i]));
    grid->SetCells(1, header + 1, QStringLiteral("item %1").arg(2 * i + 1));
    grid->SetCells(1, header + 2, QStringLiteral("item %1").arg(2 * i + 2));
  }
  grid->Grouping()->SetAutoCheckGroup(true);
  // Active boxes (a read-only cell's grayed box looks like a checked one).
  grid->ControlLook()->SetCheckAlwaysActive(true);
  grid->AddCheckBoxColumn(2, false, false);
  grid->ToggleCheckBox(2, 1);  // Alpha and its rows checked
  grid->ToggleCheckBox(2, 5);  // one row of Beta: Beta grayed
  ASSERT_EQ(Boxes(*grid, 2, 1, 9), "xxx?x----");
  grid->SetParent(form.get());
  ASSERT_TRUE(vcltest::ShowAndActivate(form.get()));
  auto paint = [&] {
    vcltest::Pump();
    grid->WidgetIfAllocated()->repaint();
    return grid->BackBuffer().copy();
  };
  auto dark = [](const QImage& Image, const TRect& R) {
    return probe::Count(Image, [](QRgb p) { return probe::Luminance(p) < 100; },
                        QRect(R.Left, R.Top, R.Width(), R.Height()));
  };
  const QImage plain = paint();
  grid->Grouping()->SetShowGroupCount(true);
  grid->Invalidate();
  const QImage counted = paint();
  const QString dir = qEnvironmentVariable("TF_TEST_PICTURES");
  if (!dir.isEmpty()) counted.save(QDir(dir).filePath("node-groups.png"));
  // The headers' texts grow by their counts; the rows' texts stay.
  for (int header : {1, 4, 7}) {
    SCOPED_TRACE(header);
    EXPECT_GT(dark(counted, grid->CellRect(1, header)), dark(plain, grid->CellRect(1, header)) + 10);
  }
  EXPECT_EQ(dark(counted, grid->CellRect(1, 2)), dark(plain, grid->CellRect(1, 2)));
  // The three box states look different: the checked box has its mark,
  // the grayed one differs from both.
  auto box = [&](int Row) {
    const TRect cell = grid->CellRect(2, Row);
    QImage part = counted.copy(cell.Left, cell.Top, 24, cell.Height());
    return part;
  };
  EXPECT_FALSE(box(1) == box(7)) << "checked against unchecked";
  EXPECT_FALSE(box(4) == box(7)) << "grayed against unchecked";
  EXPECT_FALSE(box(4) == box(1)) << "grayed against checked";
  EXPECT_TRUE(box(8) == box(9)) << "two unchecked boxes alike";
  form.reset();
  vcltest::Pump();
}
