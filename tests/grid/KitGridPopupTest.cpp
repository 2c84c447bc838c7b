// The pop-up tool bar base: Show and Hide drive the visible flag, a
// descendant answers the hit test, the owner frees it.

#include <gtest/gtest.h>

#include "grid/KitGridPopup.h"
#include "tests/grid/GridTestSupport.h"

namespace {

class TBoxPopup : public TKitGridPopup {
 public:
  using TKitGridPopup::TKitGridPopup;
  void Show(TPoint PT) override {
    TKitGridPopup::Show(PT);
    Shown = TRect(PT.X, PT.Y, PT.X + 40, PT.Y + 20);
  }
  bool MouseInPopup(TPoint PT) override { return Visible() && Shown.Contains(PT); }
  TRect Shown;
};

TEST(GridPopup, ShowHideAndHitTest) {
  auto grid = gridtest::NewGrid();
  auto* popup = new TBoxPopup(grid.get());  // the grid owns it
  popup->SetGrid(grid.get());
  popup->SetCell(2, 3);
  EXPECT_FALSE(popup->Visible());
  EXPECT_FALSE(popup->MouseInPopup(TPoint(10, 10)));
  popup->Show(TPoint(5, 5));
  EXPECT_TRUE(popup->Visible());
  EXPECT_TRUE(popup->MouseInPopup(TPoint(10, 10)));
  EXPECT_FALSE(popup->MouseInPopup(TPoint(100, 10)));
  popup->Hide();
  EXPECT_FALSE(popup->Visible());
  EXPECT_FALSE(popup->MouseInPopup(TPoint(10, 10)));
  EXPECT_EQ(popup->Grid(), grid.get());
  EXPECT_EQ(popup->Col(), 2);
  EXPECT_EQ(popup->Row(), 3);
}

}  // namespace
