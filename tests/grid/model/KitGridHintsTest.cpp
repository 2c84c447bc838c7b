// The grid's balloon tooltip (made, configured and destroyed with the
// balloon settings) and the HTML hint window (measuring, placing on the
// monitor, painting).

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include "foundation/KitMiniHTMLEngine.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridHints.h"
#include "grid/model/KitGridUtils.h"
#include "platform/vcl/BalloonTip.h"
#include "platform/vcl/Forms.h"
#include "tests/harness/Harness.h"
#include "tests/support/PixelProbes.h"

namespace {

class GridBalloonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(10, 10, 400, 300);
    Grid = Create<TKitStringGrid>(Form.get());
    Grid->SetBounds(0, 0, 300, 200);
    Grid->SetParent(Form.get());
    ASSERT_TRUE(vcltest::ShowAndActivate(Form.get()));
    vcltest::Pump();
  }
  void TearDown() override { Form.reset(); }
  std::unique_ptr<TForm> Form;
  TKitStringGrid* Grid = nullptr;
};

}  // namespace

TEST_F(GridBalloonTest, EnablingMakesOneTooltipAndDisablingDestroysIt) {
  EXPECT_EQ(Grid->BalloonTip(), nullptr);
  Grid->Balloon()->SetEnable(true);
  TBalloonTip* tip = Grid->BalloonTip();
  ASSERT_NE(tip, nullptr);
  EXPECT_TRUE(tip->Created());
  EXPECT_TRUE(tip->HasTool());
  EXPECT_EQ(tip->ToolRect(), Grid->ClientRect());
  EXPECT_EQ(tip->Title(), "ToolTipText");
  EXPECT_EQ(tip->Icon(), 3);
  Grid->Balloon()->SetEnable(false);
  Grid->Balloon()->SetEnable(true);
  Grid->Balloon()->SetEnable(true);
  ASSERT_NE(Grid->BalloonTip(), nullptr);
  const TBalloonTip* again = Grid->BalloonTip();
  Grid->Balloon()->SetEnable(true);
  EXPECT_EQ(Grid->BalloonTip(), again) << "on twice: one tooltip";
  Grid->Balloon()->SetEnable(false);
  EXPECT_EQ(Grid->BalloonTip(), nullptr);

  // While the grid is loading the switch is only stored.
  Grid->SetComponentStateFlag(csLoading, true);
  Grid->Balloon()->SetEnable(true);
  EXPECT_EQ(Grid->BalloonTip(), nullptr);
  Grid->SetComponentStateFlag(csLoading, false);
  Grid->Balloon()->SetEnable(false);
  Grid->Balloon()->SetEnable(true);
  EXPECT_NE(Grid->BalloonTip(), nullptr);
}

TEST_F(GridBalloonTest, SettingsReachTheTooltip) {
  struct TCase {
    int Initial, Reshow, AutoHide;
    Byte Transparency;
    int WantInitial, WantReshow, WantAutoPop, WantOpacity;
  } cases[] = {
      {-1, -1, -1, 0, TBalloonTip::kDefaultInitialDelay, TBalloonTip::kDefaultReshowDelay,
       TBalloonTip::kDefaultAutoPopDelay, 255},
      {300, -1, 8000, 55, 300, TBalloonTip::kDefaultReshowDelay, 8000, 200},
      {0, 20, -1, 255, 0, 20, TBalloonTip::kDefaultAutoPopDelay, 0},
  };
  for (const TCase& c : cases) {
    Grid->Balloon()->SetEnable(false);
    Grid->Balloon()->SetInitialDelay(c.Initial);
    Grid->Balloon()->SetReshowDelay(c.Reshow);
    Grid->Balloon()->SetAutoHideDelay(c.AutoHide);
    Grid->Balloon()->SetTransparency(c.Transparency);
    Grid->Balloon()->SetTextColor(0x0000FF);
    Grid->Balloon()->SetEnable(true);
    TBalloonTip* tip = Grid->BalloonTip();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->InitialDelay(), c.WantInitial);
    EXPECT_EQ(tip->ReshowDelay(), c.WantReshow);
    EXPECT_EQ(tip->AutoPopDelay(), c.WantAutoPop);
    EXPECT_EQ(tip->Opacity(), c.WantOpacity);
    EXPECT_EQ(tip->Layered(), c.Transparency != 0);
    EXPECT_EQ(tip->TextColor(), TColor(0x0000FF));
    EXPECT_EQ(tip->BackgroundColor(), TColor(0x1FFFFFFF));
  }
}

TEST_F(GridBalloonTest, TheBalloonAsksForItsTextWhenItShows) {
  Grid->Balloon()->SetEnable(true);
  TBalloonTip* tip = Grid->BalloonTip();
  ASSERT_NE(tip, nullptr);
  QString answer = "Cell text";
  int asked = 0;
  tip->OnNeedText = [&] {
    ++asked;
    return answer;
  };
  tip->Popup(TPoint(50, 60));
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(tip->Visible());
  EXPECT_EQ(tip->Text(), "Cell text");
  answer.clear();
  tip->Popup(TPoint(50, 60));
  EXPECT_FALSE(tip->Visible()) << "no text, no balloon";
}

TEST(BalloonTip, TitleIconAndWindowlessOwners) {
  TBalloonTip orphan(nullptr);
  EXPECT_FALSE(orphan.Created());
  EXPECT_FALSE(orphan.AddTool()) << "no window: no tool";
  orphan.Popup(TPoint(0, 0));
  EXPECT_FALSE(orphan.Visible());
  struct TCase {
    int Icon, Want;
  } icons[] = {{0, 0}, {1, 1}, {3, 3}, {4, 0}, {-1, 0}};
  for (const TCase& c : icons) {
    orphan.SetTitle("t", c.Icon);
    EXPECT_EQ(orphan.Icon(), c.Want) << c.Icon;
  }
  orphan.SetTitle(QString(300, u'x'), 1);
  EXPECT_EQ(orphan.Title().size(), 255);
}

TEST_F(GridBalloonTest, HtmlHintWindowSizesAndPlacesItself) {
  auto* hint = Create<THTMLHintWindow>(Form.get());
  const QString html = "<b>Bold</b> and <i>italic</i> hint";
  const TRect calc = hint->CalcHintRect(1008, html, nullptr);
  EXPECT_EQ(calc.Left, 0);
  EXPECT_EQ(calc.Top, 0);
  EXPECT_GT(calc.Width(), 40);
  EXPECT_GT(calc.Height(), 5);

  hint->ActivateHintData(TRect(100, 120, 110, 130), html, Grid);
  EXPECT_EQ(hint->PictureContainer(), Grid->PictureContainer());
  EXPECT_EQ(hint->BoundsRect(), TRect(100, 120, 100 + calc.Width() + 16, 120 + calc.Height() + 4));
  ASSERT_NE(hint->WidgetIfAllocated(), nullptr);
  EXPECT_TRUE(hint->WidgetIfAllocated()->isVisible());

  // A wide-encoded hint: one line of its decoded text, 8 pixels of margin.
  const QString wide = EncodeWideText(QString::fromUtf8("Wide ∑ text"));
  const TRect wideCalc = hint->CalcHintRect(1008, wide, nullptr);
  EXPECT_GT(wideCalc.Width(), 0);
  hint->ActivateHint(TRect(100, 120, 110, 130), wide);
  EXPECT_EQ(hint->BoundsRect().Width(), wideCalc.Width() + 8);

  // At the monitor's edges it moves left and up to end 2 pixels inside.
  const TRect mon = Screen->MonitorFromPoint(TPoint(0, 0)).BoundsRect();
  hint->ActivateHint(TRect(mon.Right - 5, mon.Bottom - 3, mon.Right, mon.Bottom), html);
  EXPECT_EQ(hint->BoundsRect().Right, mon.Right - 2);
  EXPECT_EQ(hint->BoundsRect().Bottom, mon.Bottom - 2);
  EXPECT_EQ(hint->BoundsRect().Width(), calc.Width() + 16);
}

TEST_F(GridBalloonTest, HtmlHintWindowPaintsFrameAndText) {
  auto* hint = Create<THTMLHintWindow>(Form.get());
  hint->ActivateHint(TRect(50, 50, 60, 60), "<font color=\"clRed\">Red</font> hint text");
  vcltest::Pump();
  hint->WidgetIfAllocated()->repaint();
  const QImage img = hint->BackBuffer().copy();
  ASSERT_FALSE(img.isNull());
  const int w = img.width(), h = img.height();
  EXPECT_EQ(probe::BgrAt(img, 0, h / 2), uint32_t(ColorToRGB(cl3DLight)));
  EXPECT_EQ(probe::BgrAt(img, w / 2, 0), uint32_t(ColorToRGB(cl3DLight)));
  EXPECT_EQ(probe::BgrAt(img, w - 1, h / 2), uint32_t(ColorToRGB(cl3DDkShadow)));
  EXPECT_EQ(probe::BgrAt(img, w / 2, h - 1), uint32_t(ColorToRGB(cl3DDkShadow)));
  EXPECT_EQ(probe::BgrAt(img, 1, 1), uint32_t(ColorToRGB(clInfoBk)));
  EXPECT_GT(probe::Count(img, [](QRgb p) { return qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60; }), 10);
  // The text starts 4 pixels in.
  int firstInk = w;
  for (int x = 1; x < w - 1; ++x)
    for (int y = 1; y < h - 1; ++y)
      if (probe::BgrAt(img, x, y) != uint32_t(ColorToRGB(clInfoBk))) firstInk = std::min(firstInk, x);
  EXPECT_GE(firstInk, 4);
  EXPECT_LE(firstInk, 8);
}

TEST_F(GridBalloonTest, DragImageOfARangeInEitherOrder) {
  Grid->SetColCount(5);
  Grid->SetRowCount(5);
  Grid->SetDefaultColWidth(50);
  Grid->SetDefaultRowHeight(24);
  for (int c = 0; c < 5; ++c)
    for (int r = 0; r < 5; ++r) Grid->SetCells(c, r, QStringLiteral("%1:%2").arg(c).arg(r));
  // Both forms are made before either shows (a shown form may take the
  // focus from the grid, which then paints its current cell otherwise).
  std::unique_ptr<TForm> forms[] = {std::unique_ptr<TForm>(Grid->SelectionToForm(TGridRect{1, 1, 2, 3})),
                                    std::unique_ptr<TForm>(Grid->SelectionToForm(TGridRect{2, 3, 1, 1}))};
  const auto image = [&](TForm* form) {
    EXPECT_EQ(form->Owner(), Grid);
    EXPECT_EQ(form->ControlCount(), 1);
    auto* view = dynamic_cast<TWinControl*>(form->Controls(0));
    form->HandleNeeded();
    form->WidgetIfAllocated()->window()->show();
    vcltest::Pump();
    view->WidgetIfAllocated()->repaint();
    const TRect b = form->BoundsRect();
    // The view's surface may be kept larger than the form: its picture is
    // the form's area.
    return std::make_pair(b, view->BackBuffer().copy(0, 0, b.Width(), b.Height()));
  };
  const auto [bounds, forward] = image(forms[0].get());
  const TRect first = Grid->CellRect(1, 1), last = Grid->CellRect(2, 3);
  EXPECT_EQ(bounds.Width(), last.Right - first.Left + 1);
  EXPECT_EQ(bounds.Height(), last.Bottom - first.Top + 1);
  const auto [bounds2, backward] = image(forms[1].get());
  EXPECT_EQ(bounds2, bounds);
  ASSERT_FALSE(forward.isNull());
  EXPECT_EQ(forward, backward) << "bottom-right first gives the same picture";
  // The picture is the grid's: text ink inside.
  EXPECT_GT(probe::Count(forward, [](QRgb p) { return probe::Luminance(p) < 100; }), 20);
}
