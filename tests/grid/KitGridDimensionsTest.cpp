// Counts, fixed rows and columns with their *Always rules, zoom limits,
// update locking (always counted; only the redraw lock depends on the
// window), per-cell appearance writers, row colours and bad counts.

#include <gtest/gtest.h>

#include <memory>

#include "grid/model/KitGrid.h"
#include "platform/vcl/Forms.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/harness/Harness.h"
#include "tests/support/TestSupport.h"

using gridtest::NewGrid;

namespace {

TEST(GridDimensions, RowCountChangeEventOnlyOnChange) {
  auto grid = NewGrid();
  QList<QPoint> fired;
  grid->OnRowCountChange = [&](TObject*, int From, int To) { fired << QPoint(From, To); };
  grid->SetRowCount(10);
  EXPECT_TRUE(fired.isEmpty());
  grid->SetRowCount(14);
  ASSERT_EQ(fired.size(), 1);
  EXPECT_EQ(fired[0], QPoint(10, 14));
  EXPECT_EQ(grid->MaxRowCount(), 14);
  EXPECT_EQ(grid->NormalRowCount(), 14);
  grid->SetRowCount(3);
  EXPECT_EQ(grid->MaxRowCount(), 14) << "the largest count is kept";
}

TEST(GridDimensions, FixedRowAlwaysKeepsTheWantedFixedRows) {
  auto grid = NewGrid();
  grid->SetFixedRowAlways(true);
  grid->SetRowCount(3);
  grid->SetFixedRows(3);
  EXPECT_EQ(grid->RawFixedRows(), 2);
  EXPECT_EQ(grid->FixedRows(), 2);
  EXPECT_EQ(grid->FixedRowsMin(), 3) << "the value asked for is remembered";
  grid->SetRowCount(5);
  EXPECT_EQ(grid->FixedRows(), 3) << "a larger count gives the fixed rows back";
}

TEST(GridDimensions, FixedColAlwaysKeepsTheWantedFixedColumns) {
  auto grid = NewGrid();
  grid->SetFixedColAlways(true);
  grid->SetColCount(2);
  grid->SetFixedCols(2);
  EXPECT_EQ(grid->FixedCols(), 1);
  grid->SetColCount(4);
  EXPECT_EQ(grid->FixedCols(), 2);
}

TEST(GridDimensions, FixedRowAlwaysReadsOneForNoFixedRows) {
  auto grid = NewGrid();
  grid->SetFixedRows(0);
  EXPECT_EQ(grid->FixedRows(), 0);
  grid->SetFixedRowAlways(true);
  EXPECT_EQ(grid->RawFixedRows(), 0);
  EXPECT_EQ(grid->FixedRows(), 1);
}

TEST(GridDimensions, FixedCellAnswersTheWantedCount) {
  auto grid = NewGrid();
  grid->SetFixedRowAlways(true);
  grid->SetFixedRows(1);
  grid->SetRowCount(1);
  bool fixed = false;
  grid->IsFixedCell(2, 0, fixed);
  EXPECT_TRUE(fixed) << "row 0 is fixed although the string grid holds no fixed row";
  EXPECT_EQ(grid->RawFixedRows(), 0);
}

TEST(GridDimensions, FixedColWidthOfTheDefaultWidthChangesNothing) {
  auto grid = NewGrid();
  grid->SetColWidths(0, 30);
  grid->SetFixedColWidth(grid->DefaultColWidth());
  EXPECT_EQ(grid->ColWidths(0), 30);
  grid->SetFixedColWidth(40);
  EXPECT_EQ(grid->ColWidths(0), 40);
}

TEST(GridDimensions, ZoomStaysWithinTwentySteps) {
  auto grid = NewGrid();
  const int width = grid->ColWidths(1);
  for (int i = 0; i < 21; ++i) grid->Zoom(1);
  EXPECT_EQ(grid->ZoomFactor(), 20);
  EXPECT_EQ(grid->ColWidths(1), width + 20) << "the 21st step changed nothing";
  grid->Zoom(-41);
  EXPECT_EQ(grid->ZoomFactor(), 20) << "a step past -20 is ignored";
  grid->ZoomReset();
  EXPECT_EQ(grid->ZoomFactor(), 0);
  EXPECT_EQ(grid->ColWidths(1), width);
}

TEST(GridDimensions, ZoomLeavesNarrowColumnsAlone) {
  auto grid = NewGrid();
  grid->SetColWidths(2, 2);
  grid->Zoom(-3);
  EXPECT_EQ(grid->ColWidths(2), 2);
  EXPECT_EQ(grid->ColWidths(1), 61);
  EXPECT_FALSE(grid->IsUpdating());
}

TEST(GridDimensions, UpdateLockAlwaysCounts) {
  const struct {
    const char* Name;
    bool Visible;
  } cases[] = {{"visible", true}, {"hidden", false}};
  for (const auto& c : cases) {
    auto grid = NewGrid();
    grid->SetVisible(c.Visible);
    grid->BeginUpdate();
    grid->BeginUpdate();
    EXPECT_TRUE(grid->IsUpdating()) << c.Name;
    EXPECT_EQ(grid->UpdateCount(), 2) << c.Name;
    grid->EndUpdate();
    EXPECT_TRUE(grid->LockUpdate()) << c.Name;
    grid->EndUpdate();
    EXPECT_FALSE(grid->IsUpdating()) << c.Name;
    grid->EndUpdate();  // one too many
    EXPECT_EQ(grid->UpdateCount(), 0) << c.Name;
  }
  auto grid = NewGrid();
  grid->StartUpdate();
  grid->StartUpdate();
  EXPECT_EQ(grid->UpdateCount(), 2);
  grid->ResetUpdate();
  EXPECT_EQ(grid->UpdateCount(), 0);
  grid->SetLockUpdate(true);
  EXPECT_TRUE(grid->LockUpdate());
  grid->SetLockUpdate(false);
  EXPECT_FALSE(grid->LockUpdate());
}

TEST(GridDimensions, RedrawLockFollowsTheWindowNotTheCounter) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 500, 400);
  auto grid = NewGrid();
  grid->SetParent(&form);
  form.Show();
  vcltest::Pump();
  ASSERT_TRUE(grid->HandleAllocated());

  // Begun while shown, ended while hidden: the counter returns to 0 and the
  // window redraws again, so the grid never stays frozen.
  grid->BeginUpdate();
  EXPECT_TRUE(grid->RedrawLocked());
  EXPECT_FALSE(grid->WidgetIfAllocated()->updatesEnabled()) << "the window stopped repainting";
  grid->SetVisible(false);
  grid->EndUpdate();
  EXPECT_FALSE(grid->IsUpdating());
  EXPECT_FALSE(grid->RedrawLocked());
  EXPECT_TRUE(grid->WidgetIfAllocated()->updatesEnabled());
  grid->SetVisible(true);

  // No per-cell repaint while updating: one invalidation at the end.
  vcltest::Pump();
  vcltest::TInvalidationLog log;
  grid->BeginUpdate();
  for (int r = 1; r < 10; ++r)
    for (int c = 1; c < 5; ++c) grid->SetCells(c, r, u"x"_qs);
  EXPECT_EQ(log.CountFor(grid->Handle()), 0);
  grid->EndUpdate();
  EXPECT_EQ(log.CountFor(grid->Handle()), 1);
  grid->SetParent(nullptr);
}

TEST(GridDimensions, FontSizesWithoutAWindow) {
  auto grid = NewGrid();
  grid->SetFontSizes(1, 1, 10);
  EXPECT_EQ(grid->CellProperties(1, 1)->FontSize(), -13);
  EXPECT_EQ(grid->FontSizes(1, 1), 10);
}

TEST(GridDimensions, RowColorNoneFreesPlainRecordsOnly) {
  auto grid = NewGrid();
  grid->SetRowColor(2, clRed);
  for (int c = 1; c < 5; ++c) EXPECT_EQ(grid->Colors(c, 2), clRed);
  EXPECT_FALSE(grid->HasCellProperties(0, 2)) << "fixed columns are left out";
  grid->SetCells(2, 2, u"text"_qs);
  grid->MergeCells(3, 2, 2, 1);
  grid->SetRowColor(2, clNone);
  EXPECT_FALSE(grid->HasCellProperties(1, 2)) << "an empty, objectless, unmerged cell loses its record";
  EXPECT_TRUE(grid->HasCellProperties(2, 2));
  EXPECT_EQ(grid->Colors(2, 2), clNone);
  EXPECT_TRUE(grid->IsMergedCell(3, 2));
  EXPECT_EQ(grid->Colors(3, 2), clNone);

  grid->SetRowFontColor(4, clBlue);
  grid->SetColors(2, 4, clGreen);
  grid->SetRowFontColor(4, clNone);
  EXPECT_TRUE(grid->HasCellProperties(2, 4)) << "a cell with its own background keeps its record";
  EXPECT_EQ(grid->FontColors(2, 4), clNone);
  EXPECT_EQ(grid->Colors(2, 4), clGreen);
  // A record keeps the background it took from the grid when it was made,
  // so a cleared row font colour keeps it too.
  EXPECT_TRUE(grid->HasCellProperties(1, 4));
  EXPECT_EQ(grid->FontColors(1, 4), clNone);

  EXPECT_EQ(testsupport::MessageOf([&] { grid->SetRowColor(10, clRed); }),
            u"EKitGridError: Invalid row 10 accessed"_qs);
  EXPECT_EQ(testsupport::MessageOf([&] { grid->SetRowColorTo(-1, clRed); }),
            u"EKitGridError: Invalid row -1 accessed"_qs);
}

TEST(GridDimensions, CellControlCount) {
  auto grid = NewGrid();
  grid->SetCellControls(1, 1, nullptr);
  EXPECT_EQ(grid->NumCellControls(), 0);
  auto* edit = new TEdit(grid.get());  // owned by the grid
  grid->SetCellControls(1, 1, edit);
  EXPECT_EQ(grid->NumCellControls(), 1);
  EXPECT_EQ(grid->CellControls(1, 1), edit);
  EXPECT_EQ(edit->Parent(), grid.get());
  grid->SetCellControls(1, 1, edit);
  EXPECT_EQ(grid->NumCellControls(), 1) << "the same cell counts once";
  grid->SetCellControls(1, 1, nullptr);
  EXPECT_EQ(grid->NumCellControls(), 0);
  EXPECT_EQ(grid->ControlList()->Count(), 0);
}

TEST(GridDimensions, SimpleSettersAndTheirLimits) {
  auto grid = NewGrid();
  grid->SetRowCount(20);
  grid->SetTopRow(5);
  EXPECT_EQ(grid->TopRow(), 5);
  grid->SetTopRow(0);
  EXPECT_EQ(grid->TopRow(), 5) << "a fixed row as top row is ignored";
  grid->SetTopRow(20);
  EXPECT_EQ(grid->TopRow(), 5) << "a row past the end is ignored";
  grid->SetSelectionColorMixerFactor(150);
  EXPECT_EQ(grid->SelectionColorMixerFactor(), 100);
  grid->SetSelectionColorMixerFactor(-5);
  EXPECT_EQ(grid->SelectionColorMixerFactor(), 0);
  grid->SetSpreadSheet(false);
  EXPECT_TRUE(grid->SelectionRectangle());
  EXPECT_TRUE(grid->SelectionResizer());
  EXPECT_TRUE(grid->Options().Contains(goRangeSelect));
  EXPECT_TRUE(grid->Options().Contains(goEditing));
  const struct {
    TVAlignment Value;
    int Flag;
  } valign[] = {{vtaTop, 0}, {vtaCenter, 4}, {vtaBottom, 8}};
  for (const auto& v : valign) {
    grid->SetVAlignment(v.Value);
    EXPECT_EQ(grid->VAlignFlag(), v.Flag);
  }
  grid->SetVDXGradientFrom(clBtnFace);
  EXPECT_EQ(grid->VDXGradientFrom(), ColorToRGB(clBtnFace)) << "a system colour is resolved when set";
  grid->SetShowSelection(false);
  EXPECT_FALSE(grid->ShowSelection());
}

TEST(GridDimensions, BadCountsGiveClearErrors) {
  auto grid = NewGrid();
  const struct {
    const char* Name;
    std::function<void()> Action;
    const char* Message;
  } cases[] = {
      {"negative rows", [&] { grid->SetRowCount(-1); }, "EKitGridError: Invalid row count -1"},
      {"negative columns", [&] { grid->SetColCount(-4); }, "EKitGridError: Invalid column count -4"},
      {"negative fixed rows", [&] { grid->SetFixedRows(-1); }, "EKitGridError: Invalid fixed row count -1"},
      {"negative fixed columns", [&] { grid->SetFixedCols(-2); }, "EKitGridError: Invalid fixed column count -2"},
      {"fixed rows at the count", [&] { grid->SetFixedRows(10); },
       "EInvalidGridOperation: Fixed row count must be less than row count"},
      {"column width outside", [&] { grid->SetColWidths(5, 10); }, "EInvalidGridOperation: Grid index out of range"},
      {"all column widths outside", [&] { grid->SetAllColWidths(9, 10); },
       "EListError: List index out of bounds (9)"},
  };
  for (const auto& c : cases) EXPECT_EQ(testsupport::MessageOf(c.Action), QString::fromUtf8(c.Message)) << c.Name;
  EXPECT_EQ(grid->RowCount(), 10);
  EXPECT_EQ(grid->FixedRows(), 1);
}

TEST(GridDimensions, CountsOfZeroAndOne) {
  auto grid = NewGrid();
  grid->SetRowCount(0);
  EXPECT_EQ(grid->RowCount(), 1) << "the framework keeps one row";
  EXPECT_EQ(grid->FixedRows(), 0);
  grid->SetColCount(1);
  EXPECT_EQ(grid->ColCount(), 1);
  EXPECT_EQ(grid->FixedCols(), 0);
  grid->SetCells(0, 0, u"only"_qs);
  EXPECT_EQ(grid->Cells(0, 0), u"only"_qs);
  grid->SetRowColor(0, clRed);
  EXPECT_EQ(grid->Colors(0, 0), clRed);
  grid->MergeCells(0, 0, 3, 3);
  EXPECT_FALSE(grid->IsMergedCell(0, 0)) << "clipped to one cell";
}

TEST(GridDimensions, FloatingFooterAddsItsRowOnce) {
  auto grid = NewGrid();
  grid->FloatingFooter()->SetFooterStyle(fsColumnPreview);
  grid->FloatingFooter()->SetVisible(true);
  EXPECT_EQ(grid->RowCount(), 11);
  grid->FloatingFooter()->SetVisible(true);
  EXPECT_EQ(grid->RowCount(), 11);
  grid->FloatingFooter()->SetVisible(false);
  EXPECT_EQ(grid->RowCount(), 10);

  auto fixed = NewGrid();
  fixed->SetCells(2, 9, u"sum"_qs);
  fixed->FloatingFooter()->SetVisible(true);
  EXPECT_EQ(fixed->FixedFooters(), 1);
  EXPECT_TRUE(fixed->HideLastRow());
  EXPECT_EQ(fixed->RowCount(), 10);
  // The footer row moves with the row count.
  fixed->SetRowCount(12);
  EXPECT_EQ(fixed->GridCells(2, 11), u"sum"_qs);
  EXPECT_EQ(fixed->GridCells(2, 9), QString());
  EXPECT_EQ(fixed->FloatingFooter()->GetColumnCalc(2), acNONE);
  fixed->FloatingFooter()->SetColumnCalc(2, acSUM);
  EXPECT_EQ(fixed->FloatingFooter()->GetColumnCalc(2), acSUM);
}

}  // namespace
