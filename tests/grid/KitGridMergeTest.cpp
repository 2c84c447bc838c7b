// Merged cells: how merges are stored and undone, the geometry queries, a
// block over the grid's edge (clipped), overlapping merges (the old areas
// split first), and the merge counter.

#include <gtest/gtest.h>

#include "grid/model/KitGrid.h"
#include "tests/grid/GridTestSupport.h"

using gridtest::MergeFault;
using gridtest::NewGrid;

namespace {

TEST(GridMerge, QueriesOfOneArea) {
  auto grid = NewGrid();
  grid->MergeCells(1, 1, 3, 2);
  EXPECT_EQ(grid->BaseCell(3, 2), TPoint(1, 1));
  EXPECT_EQ(grid->CellSpan(3, 2), TPoint(2, 1));
  EXPECT_EQ(grid->CellExt(2, 1), TPoint(1, 1));
  const TGridRect full = grid->FullCell(2, 2);
  EXPECT_EQ(full, (TGridRect{1, 1, 3, 2}));
  for (int c = 1; c <= 3; ++c)
    for (int r = 1; r <= 2; ++r) {
      EXPECT_TRUE(grid->IsMergedCell(c, r)) << c << "," << r;
      EXPECT_EQ(grid->IsMergedNonBaseCell(c, r), !(c == 1 && r == 1)) << c << "," << r;
      EXPECT_EQ(grid->IsBaseCell(c, r), c == 1 && r == 1) << c << "," << r;
    }
  int bc = -1, br = -1;
  EXPECT_FALSE(grid->ResolveBaseCell(3, 2, bc, br));
  EXPECT_EQ(QPoint(bc, br), QPoint(1, 1));
  EXPECT_TRUE(grid->ResolveBaseCell(4, 4, bc, br));
  EXPECT_EQ(QPoint(bc, br), QPoint(4, 4));
  EXPECT_EQ(MergeFault(*grid), QString());
}

TEST(GridMerge, NothingIsMergedWithoutAreas) {
  auto grid = NewGrid();
  grid->MergeCells(2, 2, 1, 1);  // a 1 x 1 block is no merged cell
  for (int c = 0; c < grid->ColCount(); ++c)
    for (int r = 0; r < grid->RowCount(); ++r) EXPECT_FALSE(grid->IsMergedCell(c, r)) << c << "," << r;
  EXPECT_EQ(grid->MinRowSpan(2), grid->RowCount());
  EXPECT_EQ(grid->MaxRowSpan(2), 0);
}

TEST(GridMerge, HorizontalAreaIsXMergedOnly) {
  auto grid = NewGrid();
  grid->MergeCells(1, 3, 3, 1);
  for (int c = 1; c <= 3; ++c) {
    EXPECT_TRUE(grid->IsXMergedCell(c, 3));
    EXPECT_FALSE(grid->IsYMergedCell(c, 3));
  }
}

TEST(GridMerge, SplitKeepsRecordsAndFreesTheArea) {
  auto grid = NewGrid();
  grid->MergeCells(1, 1, 3, 2);
  grid->SplitCells(2, 2);
  for (int c = 1; c <= 3; ++c)
    for (int r = 1; r <= 2; ++r) {
      EXPECT_FALSE(grid->IsMergedCell(c, r));
      EXPECT_TRUE(grid->HasCellProperties(c, r));
      EXPECT_EQ(grid->BaseCell(c, r), TPoint(c, r));
    }
  EXPECT_EQ(grid->MergeCount(), 0);
}

TEST(GridMerge, RowAndColumnSpanComparisons) {
  auto grid = NewGrid();
  grid->SetRowCount(12);
  grid->MergeCells(1, 1, 1, 3);  // rows 1..3 in column 1
  grid->MergeCells(1, 5, 1, 2);  // rows 5..6 in column 1
  EXPECT_TRUE(grid->RowSpanIdentical(1, 3));
  EXPECT_FALSE(grid->RowSpanIdentical(2, 5));
  EXPECT_FALSE(grid->RowSpanIdentical(8, 9));
  EXPECT_EQ(grid->MaxRowSpan(1), 2);
  EXPECT_EQ(grid->MinRowSpan(5), 1);

  auto cols = NewGrid();
  cols->MergeCells(1, 2, 3, 1);  // columns 1..3 in row 2
  EXPECT_TRUE(cols->ColSpanIdentical(1, 3));
  cols->MergeCells(2, 4, 2, 1);  // only columns 2..3 in row 4
  EXPECT_FALSE(cols->ColSpanIdentical(1, 3));
}

TEST(GridMerge, BlockOverTheEdgeIsClipped) {
  auto grid = NewGrid();  // 5 columns, 10 rows
  grid->MergeCells(3, 8, 5, 5);
  EXPECT_EQ(grid->CellSpan(3, 8), TPoint(1, 1));
  EXPECT_EQ(grid->BaseCell(4, 9), TPoint(3, 8));
  EXPECT_EQ(MergeFault(*grid), QString());
  // A block starting outside the grid merges nothing.
  const int before = grid->MergeCount();
  grid->MergeCells(7, 1, 2, 2);
  grid->MergeCells(-1, 1, 2, 2);
  EXPECT_EQ(grid->MergeCount(), before + 2);
  EXPECT_EQ(MergeFault(*grid), QString());
}

TEST(GridMerge, OverlappingMergesSplitTheOldAreasFirst) {
  const struct {
    int c, r, w, h;
  } second[] = {{2, 2, 3, 3}, {0, 0, 2, 2}, {3, 1, 1, 1}, {1, 3, 4, 1}, {2, 1, 2, 2}};
  for (const auto& s : second) {
    auto grid = NewGrid();
    grid->MergeCells(1, 1, 3, 3);
    grid->MergeCells(s.c, s.r, s.w, s.h);
    EXPECT_EQ(MergeFault(*grid), QString()) << s.c << "," << s.r << " " << s.w << "x" << s.h;
    if (s.w * s.h > 1) EXPECT_EQ(grid->BaseCell(s.c + s.w - 1, s.r + s.h - 1), TPoint(s.c, s.r));
    // No cell of the first area still points at a base that does not cover
    // it: each is merged only if the second block took it.
    for (int c = 1; c <= 3; ++c)
      for (int r = 1; r <= 3; ++r) {
        const bool inSecond = c >= s.c && c < s.c + s.w && r >= s.r && r < s.r + s.h && s.w * s.h > 1;
        EXPECT_EQ(grid->IsMergedCell(c, r), inSecond) << c << "," << r;
      }
  }
}

TEST(GridMerge, SpansBelowOneMergeNothingButCount) {
  auto grid = NewGrid();
  grid->MergeCells(1, 1, 0, 3);
  grid->MergeCells(1, 1, 2, -1);
  EXPECT_EQ(grid->MergeCount(), 2);
  EXPECT_FALSE(grid->HasCellProps());
  grid->SplitCells(1, 1);  // a cell without a record: nothing to split
  EXPECT_EQ(grid->MergeCount(), 1);
}

TEST(GridMerge, CoveredCellRectIsTheAreaRect) {
  auto grid = NewGrid();
  grid->MergeCells(1, 1, 2, 2);
  const TRect base = grid->CellRect(1, 1);
  EXPECT_EQ(grid->CellRect(2, 2), base);
  EXPECT_EQ(base.Width(), grid->ColWidths(1) + grid->ColWidths(2));
  EXPECT_EQ(base.Height(), grid->RowHeights(1) + grid->RowHeights(2));
}

TEST(GridMerge, CellRectIsNotClippedToTheView) {
  auto grid = NewGrid();
  grid->SetRowCount(100);
  grid->MergeCells(1, 2, 2, 3);
  grid->SetTopRow(50);  // the area is scrolled away
  const TRect r = grid->CellRect(2, 3);
  EXPECT_FALSE(r.IsEmpty());
  EXPECT_LT(r.Bottom, 0) << "the area lies above the client area";
  EXPECT_EQ(r, grid->CellRect(1, 2));
}

}  // namespace
