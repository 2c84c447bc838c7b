// The metro scroll indicator (thumb geometry, paging, dragging, painting)
// and the header drag button's picture.

#include <gtest/gtest.h>

#include <QImage>

#include "grid/model/KitGrid.h"
#include "grid/model/KitGridHover.h"
#include "platform/vcl/Forms.h"
#include "tests/harness/Harness.h"
#include "tests/support/PixelProbes.h"

namespace {

// A grid 300 pixels high with rows 20 high (one fixed row), no scroll
// bars, and a vertical indicator 8 x 300 at its right.
class ScrollControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(10, 10, 400, 360);
    Grid = Create<TKitStringGrid>(Form.get());
    Grid->SetBounds(0, 0, 300, 300);
    Grid->SetBorderStyle(bsNone);
    Grid->SetScrollBars(ssNone);
    Grid->SetDefaultRowHeight(20);
    Grid->SetFixedRowHeight(20);
    Grid->SetRowCount(100);
    Grid->SetParent(Form.get());
    Scroll = new TScrollControl(Grid);
    Scroll->SetBounds(292, 0, 8, 300);
    ASSERT_TRUE(vcltest::ShowAndActivate(Form.get()));
    vcltest::Pump();
  }
  void TearDown() override { Form.reset(); }
  std::unique_ptr<TForm> Form;
  TKitStringGrid* Grid = nullptr;
  TScrollControl* Scroll = nullptr;
};

}  // namespace

TEST_F(ScrollControlTest, ThumbFollowsTheTopRowWithinItsTrack) {
  const int visible = Grid->VisibleRowCount();
  ASSERT_GT(visible, 5);
  int last = -1;
  for (int top : {1, 10, 50, 100 - visible}) {
    Grid->SetTopRow(top);
    const TScrollThumb t = Scroll->Thumb();
    EXPECT_TRUE(t.Visible);
    EXPECT_GE(t.Size, 20);
    EXPECT_GE(t.Position, 20) << "below the fixed row";
    EXPECT_LE(t.Position + t.Size, 300) << "top " << top;
    EXPECT_GT(t.Position, last);
    last = t.Position;
  }
  // Few rows: a thumb would be tiny, it is 20 pixels at least.
  Grid->SetRowCount(2000);
  Grid->SetTopRow(1);
  EXPECT_EQ(Scroll->Thumb().Size, 20);
  Grid->SetTopRow(2000 - Grid->VisibleRowCount());
  EXPECT_LE(Scroll->Thumb().Position + Scroll->Thumb().Size, 300);
}

TEST_F(ScrollControlTest, AllRowsInViewShowNoThumb) {
  Grid->SetRowCount(6);
  EXPECT_FALSE(Scroll->Thumb().Visible);
  Scroll->WidgetIfAllocated()->repaint();
  const QImage img = Scroll->BackBuffer().copy();
  EXPECT_EQ(probe::Count(img, probe::IsBgr(0xC0C0C0)), 0);
  Grid->SetRowCount(100);
  Scroll->WidgetIfAllocated()->repaint();
  const QImage shown = Scroll->BackBuffer().copy();
  EXPECT_GT(probe::Count(shown, probe::IsBgr(0xC0C0C0)), 4 * 20);
}

TEST_F(ScrollControlTest, PagingStopsAtBothEnds) {
  const int visible = Grid->VisibleRowCount();
  Grid->SetTopRow(1);
  Scroll->PressAt(Scroll->Thumb().Position + Scroll->Thumb().Size + 5);
  EXPECT_EQ(Grid->TopRow(), 1 + visible);
  // Paging back from the first scrollable row stays there.
  Grid->SetTopRow(1);
  Scroll->PressAt(21);  // above a thumb at the track's start: nothing before it
  Grid->SetTopRow(3);
  Scroll->PressAt(Scroll->Thumb().Position - 1);
  EXPECT_EQ(Grid->TopRow(), 1);
  // Forward from near the end stops at the last full page.
  Grid->SetTopRow(100 - visible - 2);
  Scroll->PressAt(299);
  EXPECT_EQ(Grid->TopRow(), 100 - visible);
  Scroll->PressAt(299);
  EXPECT_EQ(Grid->TopRow(), 100 - visible);
}

TEST_F(ScrollControlTest, DraggingTheThumbMovesRowsAndStopsAtTheEnds) {
  Grid->SetTopRow(1);
  const TScrollThumb t = Scroll->Thumb();
  Scroll->PressAt(t.Position + 2);
  ASSERT_TRUE(Scroll->Dragging());
  // 28 pixels of the 280 below row 0 are a tenth of the rows.
  Scroll->DragTo(t.Position + 2 + 28);
  EXPECT_EQ(Grid->TopRow(), 11);
  Scroll->DragTo(t.Position + 2 + 1000);
  EXPECT_EQ(Grid->TopRow(), 100 - Grid->VisibleRowCount());
  Scroll->DragTo(-500);
  EXPECT_EQ(Grid->TopRow(), 1);
  Scroll->Release();
  Scroll->DragTo(200);
  EXPECT_EQ(Grid->TopRow(), 1);
}

TEST(HeaderDragButtonTest, PaintsTheCaptionOnAHeaderCell) {
  TForm form(nullptr);
  form.SetBounds(10, 10, 300, 200);
  TKitStringGrid* grid = Create<TKitStringGrid>(&form);
  grid->SetParent(&form);
  ASSERT_TRUE(vcltest::ShowAndActivate(&form));
  auto* button = new THeaderDragButton(grid);
  button->SetGrid(grid);
  button->SetCaption(QStringLiteral("Town"));
  button->SetBounds(20, 20, 120, 24);
  button->SetParent(grid);
  button->HandleNeeded();
  button->SetVisible(true);
  vcltest::Pump();
  ASSERT_NE(button->WidgetIfAllocated(), nullptr);
  button->WidgetIfAllocated()->repaint();
  const QImage img = button->BackBuffer().copy();
  ASSERT_FALSE(img.isNull());
  // Dark caption pixels in the middle third, none at the ends.
  EXPECT_GT(probe::Count(img, [](QRgb p) { return probe::Luminance(p) < 90; }, QRect(40, 4, 40, 16)), 10);
  EXPECT_EQ(probe::Count(img, [](QRgb p) { return probe::Luminance(p) < 90; }, QRect(4, 4, 20, 16)), 0);
  button->SetVisible(false);
}
