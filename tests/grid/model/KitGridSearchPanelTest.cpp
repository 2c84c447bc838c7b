// The grid's search panel: its controls made with the panel and laid out
// when its window is created, the settings that choose and place them, the
// clicks, keys and typing that come out as the panel's events and reach the
// grid, and the panel's picture.

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>

#include "grid/model/KitGrid.h"
#include "grid/model/KitGridSearchControls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "tests/harness/Harness.h"
#include "tests/support/PixelProbes.h"
#include "tests/support/TestSupport.h"

namespace {

QRect BoundsOf(const TControl* C) { return QRect(C->Left(), C->Top(), C->Width(), C->Height()); }

// A shown grid of 600 x 260 whose search footer is on.
class SearchPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(10, 10, 660, 320);
    Grid = Create<TKitStringGrid>(Form.get());
    Grid->SetBounds(0, 0, 600, 260);
    Grid->SetBorderStyle(bsNone);
    Grid->SetScrollBars(ssNone);
    Grid->SetColCount(5);
    Grid->SetRowCount(8);
    Grid->SetDefaultColWidth(110);
    for (int c = 1; c < 5; ++c)
      for (int r = 1; r < 8; ++r) Grid->SetCells(c, r, QStringLiteral("Ann %1").arg(r));
    Grid->SearchFooter()->SetFindNextCaption(QStringLiteral("Find next"));
    Grid->SearchFooter()->SetFindPrevCaption(QStringLiteral("Find previous"));
    Grid->SearchFooter()->SetHighLightCaption(QStringLiteral("Highlight"));
    Grid->SearchFooter()->SetMatchCaseCaption(QStringLiteral("Match case"));
    Grid->SearchFooter()->SetHintFindNext(QStringLiteral("Next match"));
    Grid->SetParent(Form.get());
    Grid->SearchFooter()->SetVisible(true);
    ASSERT_TRUE(vcltest::ShowAndActivate(Form.get()));
    vcltest::Pump();
    Panel = Grid->SearchPanel();
  }
  void TearDown() override { Form.reset(); }
  // The panel's controls clicked where they are.
  static void ClickOn(TControl* C) { vcltest::Click(C, C->Width() / 2, C->Height() / 2); }

  std::unique_ptr<TForm> Form;
  TKitStringGrid* Grid = nullptr;
  TSearchPanel* Panel = nullptr;
};

}  // namespace

TEST_F(SearchPanelTest, ControlsAreMadeWithThePanelAndLaidOutWithItsWindow) {
  // Made with the panel, before any window: children of the panel (this
  // one is owned by the grid and has no window).
  auto* loose = new TSearchPanel(Grid);
  EXPECT_FALSE(loose->HandleAllocated());
  for (TControl* c : std::initializer_list<TControl*>{loose->Edit(), loose->ForwardButton(), loose->BackwardButton(),
                                                      loose->ExitButton(), loose->HiliteButton(),
                                                      loose->MatchCaseBox(), loose->ResultLabel()}) {
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Parent(), loose);
  }
  EXPECT_EQ(loose->HiliteButton()->Style(), TKitGridButtonStyle::tasCheck);

  // The grid's panel has its window: the layout of the bar, then the
  // settings' flow (each shown button 8 pixels after the last, the box 10
  // after its own width of caption + 20).
  ASSERT_TRUE(Panel->HandleAllocated());
  const int editHeight = Panel->Edit()->Height();
  EXPECT_EQ(BoundsOf(Panel->Edit()), QRect(25, 6, 110, editHeight));
  EXPECT_EQ(BoundsOf(Panel->ExitButton()), QRect(5, 7, 14, 14));
  EXPECT_EQ(BoundsOf(Panel->ForwardButton()), QRect(140, 5, 90, editHeight + 2));
  EXPECT_EQ(BoundsOf(Panel->BackwardButton()), QRect(238, 5, 90, editHeight + 2));
  EXPECT_EQ(BoundsOf(Panel->HiliteButton()), QRect(336, 5, 90, editHeight + 2));
  TKitCheckBox* box = Panel->MatchCaseBox();
  EXPECT_EQ(box->Left(), 434);
  EXPECT_EQ(box->Top(), 6);
  EXPECT_EQ(box->Height(), 18);
  EXPECT_GT(box->Width(), 20 + 30);  // the caption's width and 20
  EXPECT_TRUE(box->Transparent());
  EXPECT_FALSE(Panel->ResultLabel()->Visible());  // ShowResults is off
  EXPECT_EQ(Panel->ResultLabel()->Left(), box->Left() + box->Width() + 10);

  // Captions and hints from the settings; an empty hint is not shown.
  EXPECT_EQ(Panel->ForwardButton()->Caption(), QStringLiteral("Find next"));
  EXPECT_EQ(Panel->BackwardButton()->Caption(), QStringLiteral("Find previous"));
  EXPECT_EQ(box->Caption(), QStringLiteral("Match case"));
  EXPECT_TRUE(Panel->ForwardButton()->ShowHint());
  EXPECT_FALSE(Panel->BackwardButton()->ShowHint());
  EXPECT_TRUE(Panel->ExitButton()->Caption().isEmpty());

  // The panel spans the grid's foot.
  EXPECT_EQ(BoundsOf(Panel), QRect(0, Grid->Height() - 34, Grid->ClientWidth(), 34));
}

TEST_F(SearchPanelTest, SettingsChooseAndPlaceTheControls) {
  struct Case {
    const char* Name;
    TSearchType Type;
    bool ShowPrev, ShowHighLight, ShowResults;
    bool Forward, Backward, Hilite;
    int BoxLeft;
  } cases[] = {
      {"all", stSearch, true, true, false, true, true, true, 434},
      {"no previous", stSearch, false, true, false, true, false, true, 336},
      {"no previous, no highlight", stSearch, false, false, true, true, false, false, 238},
      {"narrowing down", stNarrowDown, true, true, true, false, false, false, 140},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TSearchFooter* s = Grid->SearchFooter();
    s->SetSearchType(c.Type);
    s->SetShowFindPrev(c.ShowPrev);
    s->SetShowHighLight(c.ShowHighLight);
    s->SetShowResults(c.ShowResults);
    EXPECT_EQ(Panel->ForwardButton()->Visible(), c.Forward);
    EXPECT_EQ(Panel->BackwardButton()->Visible(), c.Backward);
    EXPECT_EQ(Panel->HiliteButton()->Visible(), c.Hilite);
    EXPECT_EQ(Panel->HiliteButton()->Height() > 0, c.Hilite);
    EXPECT_EQ(Panel->MatchCaseBox()->Left(), c.BoxLeft);
    EXPECT_EQ(Panel->ResultLabel()->Visible(), c.ShowResults);
  }
  // Hiding the footer hides the panel and takes its height.
  Grid->SearchFooter()->SetVisible(false);
  EXPECT_FALSE(Panel->Visible());
  EXPECT_EQ(Panel->Height(), 0);
}

TEST_F(SearchPanelTest, ButtonsFollowTheGridsControlLook) {
  TKitGridButton* b = Panel->ForwardButton();
  // The default look is the platform's: styled buttons, not flat.
  EXPECT_FALSE(b->Flat());
  EXPECT_TRUE(b->AutoXPStyle());
  Grid->ControlLook()->SetControlStyle(TControlLook::csFlat);
  Grid->UpdateSearchFooter();
  EXPECT_TRUE(b->Flat());
  Grid->ControlLook()->SetControlStyle(TControlLook::csClassic);
  Grid->UpdateSearchFooter();
  EXPECT_FALSE(b->Flat());
  EXPECT_FALSE(b->AutoXPStyle());
}

TEST_F(SearchPanelTest, ClicksKeysAndTypingComeOutAsThePanelsEvents) {
  QStringList log;
  Panel->OnForwardClick = [&](TObject* S) { log << (S == Panel ? "forward" : "forward?"); };
  Panel->OnBackwardClick = [&](TObject*) { log << "backward"; };
  Grid->OnSearchEditChange = [&](TObject*, const QString& Value, bool&) { log << "typed " + Value; };

  // Without text the find and highlight buttons are off: a click does nothing.
  EXPECT_FALSE(Panel->ForwardButton()->Enabled());
  ClickOn(Panel->ForwardButton());
  EXPECT_TRUE(log.isEmpty());

  // Typing enables them and reaches the grid.
  Panel->Edit()->SetFocus();
  vcltest::Type(QStringLiteral("an"));
  EXPECT_EQ(Panel->EditText(), QStringLiteral("an"));
  EXPECT_TRUE(Panel->ForwardButton()->Enabled());
  EXPECT_TRUE(Panel->BackwardButton()->Enabled());
  EXPECT_TRUE(Panel->HiliteButton()->Enabled());
  EXPECT_EQ(log, (QStringList{"typed a", "typed an"}));
  log.clear();

  ClickOn(Panel->ForwardButton());
  ClickOn(Panel->BackwardButton());
  // Enter and Ctrl+Enter in the edit are find next and previous; neither
  // reaches the text.
  Panel->Edit()->SetFocus();
  vcltest::Key(VK_RETURN);
  vcltest::Key(VK_RETURN, TShiftState{ssCtrl});
  EXPECT_EQ(log, (QStringList{"forward", "backward", "forward", "backward"}));
  EXPECT_EQ(Panel->EditText(), QStringLiteral("an"));

  // Emptying the edit turns the buttons off again.
  Panel->SetEditText(QString());
  EXPECT_FALSE(Panel->ForwardButton()->Enabled());
  EXPECT_FALSE(Panel->HiliteButton()->Enabled());
}

TEST_F(SearchPanelTest, HighlightMatchCaseAndCloseReachTheGrid) {
  Panel->SetEditText(QStringLiteral("ann 3"));
  // The highlight button stays down when clicked; the painter reads it.
  ClickOn(Panel->HiliteButton());
  EXPECT_TRUE(Panel->HiliteButton()->Down());
  EXPECT_TRUE(Panel->HighLightDown());
  // While highlighting, the match-case box types again.
  int typed = 0;
  Grid->OnSearchEditChange = [&](TObject*, const QString&, bool&) { ++typed; };
  vcltest::Click(Panel->MatchCaseBox(), 8, 9);
  EXPECT_TRUE(Panel->MatchCase());
  EXPECT_EQ(typed, 1);
  ClickOn(Panel->HiliteButton());
  EXPECT_FALSE(Panel->HighLightDown());
  vcltest::Click(Panel->MatchCaseBox(), 8, 9);
  EXPECT_FALSE(Panel->MatchCase());
  EXPECT_EQ(typed, 1);

  // The close button tells the grid, which hides the footer.
  int closed = 0;
  Grid->OnSearchFooterClose = [&](TObject* S) { closed += S == Grid ? 1 : 100; };
  ClickOn(Panel->ExitButton());
  EXPECT_EQ(closed, 1);
  EXPECT_FALSE(Grid->SearchFooter()->Visible());
  EXPECT_FALSE(Panel->Visible());
}

TEST_F(SearchPanelTest, PanelPicture) {
  Grid->SetGridLineColor(0x0000C0);
  Grid->SearchFooter()->SetColor(0xF0E0D0);
  Grid->SearchFooter()->SetColorTo(clNone);
  Panel->SetEditText(QStringLiteral("Ann 3"));
  Panel->SetHighLightDown(true);
  Grid->Repaint();
  vcltest::Pump();
  const QImage img = vcltest::Grab(Grid);
  ASSERT_TRUE(img.save(QDir(testsupport::TestOutputFolder()).filePath(QStringLiteral("grid-search-panel.png"))));
  const int top = Panel->Top();
  // A line in the grid's line colour along the panel's top, its ground in
  // the footer colour beside the controls.
  EXPECT_EQ(probe::BgrAt(img, 300, top), 0x0000C0u);
  EXPECT_EQ(probe::BgrAt(img, 590, top + 20), 0xF0E0D0u);
  EXPECT_EQ(probe::BgrAt(img, 2, top + 30), 0xF0E0D0u);
  // The close cross is drawn; the edit shows its text.
  EXPECT_GT(probe::Count(img, [](QRgb p) { return probe::Luminance(p) < 110; }, QRect(5, top + 7, 14, 14)), 6);
  EXPECT_GT(probe::Count(img, [](QRgb p) { return probe::Luminance(p) < 110; },
                         QRect(27, top + 8, 100, Panel->Edit()->Height() - 4)),
            10);
  // Each shown button carries its glyph and caption: dark pixels inside.
  for (TKitGridButton* b : {Panel->ForwardButton(), Panel->BackwardButton(), Panel->HiliteButton()}) {
    const QRect r(b->Left() + 2, top + b->Top() + 2, b->Width() - 4, b->Height() - 4);
    EXPECT_GT(probe::Count(img, [](QRgb p) { return probe::Luminance(p) < 110; }, r), 10) << b->Caption().toStdString();
  }
  // The highlighted match of "Ann 3" shows in the cells above, not in the
  // next row's.
  const uint32_t hi = ColorToRGB(clHighlight);
  auto marked = [&](int R) {
    const TRect cell = Grid->CellRect(1, R);
    return probe::Count(img, probe::IsBgr(hi), QRect(cell.Left, cell.Top, cell.Width(), cell.Height()));
  };
  EXPECT_GT(marked(3), 20);
  EXPECT_EQ(marked(4), 0);
}
