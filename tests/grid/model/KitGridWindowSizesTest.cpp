// The reference widths the proportional column sizing scales against, and
// the grid's client rectangle that ends above the search panel.

#include <gtest/gtest.h>

#include <memory>

#include "grid/model/KitGrid.h"
#include "grid/model/KitGridSearchControls.h"
#include "platform/vcl/Forms.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/harness/Harness.h"

using gridtest::NewGrid;

// Columns 50, 60, 70, 80, 90 (one fixed column) in a grid 400 wide.
TEST(GridOrigColSizes, ReferenceWidthRule) {
  struct TCase {
    const char* What;
    TBorderStyle Border;
    bool NormalOnly;
    bool VertLines;
    int RightFixed;
    int Want;
  } cases[] = {
      {"single border, no vertical lines: the plain width", bsSingle, false, false, 0, 400},
      {"no border: 2 more", bsNone, false, false, 0, 402},
      {"vertical lines: one pixel per inner line", bsSingle, false, true, 0, 396},
      {"normal cells only: without the fixed column", bsSingle, true, false, 0, 350},
      {"and without the right fixed column", bsSingle, true, false, 1, 260},
      {"right fixed columns count only for normal cells", bsSingle, false, false, 1, 400},
      {"everything", bsNone, true, true, 1, 402 - 50 - 90 - 4},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    auto g = NewGrid();
    g->SetBounds(0, 0, 400, 200);
    g->SetColCount(5);
    g->SetFixedCols(1);
    for (int i = 0; i < 5; ++i) g->SetColWidths(i, 50 + 10 * i);
    g->SetFixedRightCols(c.RightFixed);
    g->SetBorderStyle(c.Border);
    g->ColumnSize()->SetSynchNormalCellsOnly(c.NormalOnly);
    g->SetOptions(c.VertLines ? g->Options() + TGridOptions{goVertLine} : g->Options() - TGridOptions{goVertLine});
    g->InitOrigColSizes();
    EXPECT_EQ(g->OrigGridWidth(), c.Want);
    ASSERT_EQ(g->OrigColSizes()->Count(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(g->OrigColSizes()->Items(i), 50 + 10 * i);
  }
}

// The rows end where the search panel starts while the search footer shows
// it; without it the client rectangle is the framework's.
TEST(GridClientRect, EndsAboveTheSearchPanel) {
  struct TCase {
    const char* What;
    bool Footer;
  } cases[] = {{"no search footer", false}, {"search footer", true}};
  int visibleWithout = 0;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(10, 10, 400, 300);
    TKitStringGrid* grid = Create<TKitStringGrid>(form.get());
    grid->SetBounds(0, 0, 300, 200);
    grid->SetBorderStyle(bsNone);
    grid->SetScrollBars(ssNone);
    grid->SetColCount(3);
    grid->SetDefaultColWidth(60);
    grid->SetRowCount(30);
    grid->SetDefaultRowHeight(20);
    grid->SearchFooter()->SetVisible(c.Footer);
    grid->SetParent(form.get());
    ASSERT_TRUE(vcltest::ShowAndActivate(form.get()));
    grid->UpdateSearchPanel();
    vcltest::Pump();
    const TRect client = grid->ClientRect();
    EXPECT_EQ(client.Top, 0);
    EXPECT_EQ(client.Width(), 300);
    if (!c.Footer) {
      EXPECT_EQ(client.Bottom, 200);
      visibleWithout = grid->VisibleRowCount();
      continue;
    }
    TSearchPanel* panel = grid->SearchPanel();
    ASSERT_TRUE(panel->Visible());
    EXPECT_EQ(panel->Top(), 200 - grid->GetSearchPanelHeight());
    EXPECT_EQ(client.Bottom, panel->Top());
    EXPECT_EQ(grid->ClientHeight(), panel->Top());
    // Fewer rows fit, and the last one shown ends above the panel.
    EXPECT_LT(grid->VisibleRowCount(), visibleWithout);
    const int last = grid->TopRow() + grid->VisibleRowCount() - 1;
    EXPECT_LE(grid->CellRect(0, last).Bottom, panel->Top());
    // A hidden panel gives the cells the whole height again.
    panel->SetVisible(false);
    EXPECT_EQ(grid->ClientRect().Bottom, 200);
  }
}
