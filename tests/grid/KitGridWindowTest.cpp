// The grid in a window: key navigation over merged areas, the one-shot
// repaint swallow, and undo with the grid as its target, also after the grid
// shrank.

#include <gtest/gtest.h>

#include <memory>

#include "grid/model/KitGrid.h"
#include "grid/model/KitGridUndo.h"
#include "platform/vcl/Forms.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/harness/Harness.h"
#include "tests/support/TestSupport.h"

using gridtest::NewGrid;

namespace {

class GridWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    FForm = std::make_unique<TForm>(nullptr);
    FForm->SetBounds(0, 0, 600, 400);
    Grid = NewGrid();
    Grid->SetParent(FForm.get());
    ASSERT_TRUE(vcltest::ShowAndActivate(FForm.get()));
    Grid->SetFocus();
    vcltest::Pump();
  }
  void TearDown() override {
    Grid.reset();
    FForm.reset();
  }
  std::unique_ptr<TKitStringGrid> Grid;

 private:
  std::unique_ptr<TForm> FForm;
};

TEST_F(GridWindow, ArrowKeysStepOverMergedAreas) {
  Grid->MergeCells(2, 2, 2, 3);  // columns 2..3, rows 2..4
  Grid->SetCol(1);
  Grid->SetRow(3);
  vcltest::Key(VK_RIGHT);
  EXPECT_EQ(QPoint(Grid->Col(), Grid->Row()), QPoint(2, 2)) << "landed on the base cell";
  vcltest::Key(VK_RIGHT);
  EXPECT_EQ(QPoint(Grid->Col(), Grid->Row()), QPoint(4, 2)) << "stepped over the area";
  vcltest::Key(VK_LEFT);
  EXPECT_EQ(QPoint(Grid->Col(), Grid->Row()), QPoint(2, 2));
  vcltest::Key(VK_DOWN);
  EXPECT_EQ(QPoint(Grid->Col(), Grid->Row()), QPoint(2, 5)) << "below the area";
  vcltest::Key(VK_UP);
  EXPECT_EQ(QPoint(Grid->Col(), Grid->Row()), QPoint(2, 2));
}

TEST_F(GridWindow, EditCellOpensTheEditorWithTheLengthLimit) {
  Grid->SetOptions(Grid->Options() + TGridOptions{goEditing});
  Grid->SetCells(3, 4, u"abc"_qs);
  Grid->SetMaxEditLength(5);
  Grid->EditCell(3, 4);
  vcltest::Pump();
  EXPECT_EQ(QPoint(Grid->Col(), Grid->Row()), QPoint(3, 4));
  ASSERT_NE(Grid->InplaceEditor(), nullptr);
  EXPECT_TRUE(Grid->EditorMode());
  EXPECT_EQ(Grid->InplaceEditor()->Text(), u"abc"_qs);
  EXPECT_EQ(Grid->InplaceEditor()->MaxLength(), 5);
  Grid->SetMaxEditLength(7);
  EXPECT_EQ(Grid->InplaceEditor()->MaxLength(), 7);
}

TEST_F(GridWindow, InvalidateSwallowedOnce) {
  vcltest::Pump();
  vcltest::TInvalidationLog log;
  Grid->SetEditChangeSwallow();
  Grid->Invalidate();
  EXPECT_EQ(log.CountFor(Grid->Handle()), 0);
  Grid->Invalidate();
  EXPECT_EQ(log.CountFor(Grid->Handle()), 1);
}

TEST_F(GridWindow, RepaintSkipsCellsOutOfView) {
  Grid->SetRowCount(200);
  vcltest::Pump();
  vcltest::TInvalidationLog log;
  Grid->RepaintCell(2, 150);
  EXPECT_EQ(log.CountFor(Grid->Handle()), 0);
  Grid->RepaintCell(2, 3);
  EXPECT_EQ(log.CountFor(Grid->Handle()), 1);
}

TEST_F(GridWindow, UndoAfterTheGridShrank) {
  TKitGridUndoRedo undo(nullptr);
  Grid->SetUndoRedo(&undo);
  Grid->SetCells(3, 8, u"new"_qs);
  undo.RegisterChange(3, 8, u"old"_qs, u"new"_qs);
  Grid->SetRowCount(4);
  EXPECT_EQ(testsupport::MessageOf([&] { undo.Undo(); }), u"no exception"_qs);
  EXPECT_EQ(Grid->GridCells(3, 8), u"old"_qs) << "restored in the store beyond the count";
  EXPECT_LT(Grid->Row(), Grid->RowCount()) << "the current cell stays inside the grid";
  EXPECT_EQ(testsupport::MessageOf([&] { undo.Redo(); }), u"no exception"_qs);
  EXPECT_EQ(Grid->GridCells(3, 8), u"new"_qs);
  // The grid going away is noticed by the component and the other way round.
  Grid.reset();
  EXPECT_EQ(undo.Grid(), nullptr);
  undo.Undo();
}

}  // namespace
