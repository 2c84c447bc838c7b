// Balloons shown while the mouse rests on a cell of the grid or of its
// floating footer: the text is asked for (through the grid's WM_NOTIFY) only
// when the balloon shows, a cell's own balloon and the event replace it, and
// reaching another cell takes the balloon away. Driven by real mouse input
// on the manual clock.

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QWidget>
#include <functional>

#include "grid/model/KitGrid.h"
#include "grid/model/KitGridUtils.h"
#include "platform/vcl/BalloonTip.h"
#include "platform/vcl/Forms.h"
#include "tests/harness/Harness.h"

using namespace vcltest;

namespace {

class GridBalloonHoverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(10, 10, 500, 300);
    Grid = Create<TKitStringGrid>(Form.get());
    Grid->SetBounds(0, 0, 420, 200);
    Grid->SetBorderStyle(bsNone);
    Grid->SetScrollBars(ssNone);
    Grid->SetColCount(4);
    Grid->SetRowCount(6);
    Grid->SetFixedRows(1);
    Grid->SetFixedCols(1);
    Grid->SetDefaultColWidth(90);
    Grid->SetDefaultRowHeight(22);
    Grid->SetParent(Form.get());
    ASSERT_TRUE(ShowAndActivate(Form.get()));
    // The mouse starts outside the grid: a move to where it already is
    // reaches no window.
    MouseMove(Form.get(), 480, 280);
    Pump();
  }
  void TearDown() override {
    Form.reset();
    Pump();
  }
  // The middle of a cell (90 x 22 cells, one grid line each).
  static TPoint Middle(int ACol, int ARow) { return TPoint(ACol * 91 + 45, ARow * 23 + 11); }
  void HoverCell(int ACol, int ARow, int DX = 0) {
    const TPoint p = Middle(ACol, ARow);
    MouseMove(Grid, p.X + DX, p.Y);
  }
  int Notifications() const { return int(Log.Lines({WM_NOTIFY}).size()); }

  std::unique_ptr<TForm> Form;
  TKitStringGrid* Grid = nullptr;
  TMessageLog Log;
};

}  // namespace

// One mouse story over the cells: each step moves the mouse, lets time pass
// and says what the balloon then shows and how often the grid was asked.
TEST_F(GridBalloonHoverTest, RestingOnACellShowsItsBalloon) {
  TManualClock clock;
  Grid->SetCells(2, 2, QStringLiteral("\tLine\tone"));
  Grid->SetCells(1, 3, QStringLiteral("covered by its own balloon"));
  Grid->AddBalloon(1, 3, QStringLiteral("Own"), QStringLiteral("Own text"), biWarning);
  Grid->SetCells(2, 1, QStringLiteral("<b>bold</b> cell"));
  Grid->SetCells(3, 1, EncodeWideText(QStringLiteral("wide \u20AC")));
  Grid->SetCells(1, 4, QStringLiteral("merged"));
  Grid->MergeCells(1, 4, 2, 1);
  Grid->Balloon()->SetEnable(true);
  TBalloonTip* tip = Grid->BalloonTip();
  ASSERT_NE(tip, nullptr);
  Log.Attach(Grid, QStringLiteral("grid"));
  QStringList events;
  Grid->OnCellBalloon = [&](TObject*, int ACol, int ARow, QString&, QString&, int&) {
    events << QStringLiteral("%1,%2").arg(ACol).arg(ARow);
  };

  struct TStep {
    const char* What;
    std::function<void()> Act;
    int Wait;
    bool Visible;
    const char* Text;  // when visible
    const char* Title;
    int Icon;
    int Asked;  // WM_NOTIFY so far
  };
  const TStep steps[] = {
      {"resting, before the delay", [&] { HoverCell(2, 2); }, 499, false, "", "", 0, 0},
      {"after the initial delay: the cell's text", [] {}, 1, true, "Line one", " ", 0, 1},
      {"moves inside the cell keep it", [&] { HoverCell(2, 2, 20); }, 1000, true, "Line one", " ", 0, 1},
      {"another cell takes it away at once", [&] { HoverCell(1, 3); }, 0, false, "", "", 0, 1},
      {"and shows its own balloon after the reshow delay", [] {}, 100, true, "Own text", "Own", biWarning, 2},
      {"mini-HTML shows as plain text", [&] { HoverCell(2, 1); }, 100, true, "bold cell", " ", 0, 3},
      {"wide-encoded text shows decoded", [&] { HoverCell(3, 1); }, 100, true, "wide \u20AC", " ", 0, 4},
      {"a merged area is one cell", [&] { HoverCell(1, 4); }, 100, true, "merged", " ", 0, 5},
      {"its covered cell keeps the balloon", [&] { HoverCell(2, 4); }, 600, true, "merged", " ", 0, 5},
      {"an empty cell shows nothing", [&] { HoverCell(3, 5); }, 100, false, "", "", 0, 6},
      {"leaving the grid", [&] { MouseMove(Form.get(), 450, 100); }, 1000, false, "", "", 0, 6},
  };
  for (const TStep& s : steps) {
    SCOPED_TRACE(s.What);
    s.Act();
    if (s.Wait > 0) clock.Advance(uint64_t(s.Wait));
    ASSERT_EQ(Grid->BalloonTip(), tip);
    EXPECT_EQ(tip->Visible(), s.Visible);
    if (s.Visible) {
      EXPECT_EQ(tip->Text(), QString::fromUtf8(s.Text));
      EXPECT_EQ(tip->Title(), QString::fromUtf8(s.Title));
      EXPECT_EQ(tip->Icon(), s.Icon);
      EXPECT_EQ(tip->MaxWidth(), 300);
    }
    EXPECT_EQ(Notifications(), s.Asked);
  }
  // The event heard every request, with real column and row; the merged
  // area answered for its base cell.
  EXPECT_EQ(events, (QStringList{"2,2", "1,3", "2,1", "3,1", "1,4", "3,5"}));
  EXPECT_EQ(Grid->LastBalloonCell(), (TGridCoord{3, 5}));
}

TEST_F(GridBalloonHoverTest, WithoutShowCellOnlyOwnBalloonsShow) {
  TManualClock clock;
  Grid->SetCells(2, 2, QStringLiteral("plain"));
  Grid->AddBalloon(1, 3, QStringLiteral("Note"), QStringLiteral("Read me"), biInfo);
  Grid->Balloon()->SetShowCell(false);
  Grid->Balloon()->SetBackgroundColor(0xC0FFFF);
  Grid->Balloon()->SetEnable(true);
  TBalloonTip* tip = Grid->BalloonTip();
  ASSERT_NE(tip, nullptr);
  HoverCell(2, 2);
  clock.Advance(500);
  EXPECT_FALSE(tip->Visible());
  HoverCell(1, 3);
  clock.Advance(500);
  ASSERT_TRUE(tip->Visible());
  EXPECT_EQ(tip->Text(), "Read me");
  EXPECT_EQ(tip->Title(), "Note");
  EXPECT_EQ(tip->Icon(), int(biInfo));
  EXPECT_EQ(tip->BackgroundColor(), TColor(0xC0FFFF));
  // The balloon as it shows: the settings' background around the text.
  QImage shot = tip->Window()->grab().toImage();
  ASSERT_FALSE(shot.isNull());
  const QString dir = qEnvironmentVariable("TF_TEST_PICTURES");
  if (!dir.isEmpty()) shot.save(QDir(dir).filePath("grid-balloon.png"));
  const QRgb centre = shot.pixel(shot.width() / 2, shot.height() - 4);
  EXPECT_EQ(qRed(centre), 0xFF);
  EXPECT_EQ(qGreen(centre), 0xFF);
  EXPECT_EQ(qBlue(centre), 0xC0);
  // Switched off: the tooltip goes.
  Grid->Balloon()->SetEnable(false);
  EXPECT_EQ(Grid->BalloonTip(), nullptr);
}

TEST_F(GridBalloonHoverTest, ANewWindowGetsANewTooltip) {
  TManualClock clock;
  Grid->SetCells(2, 2, QStringLiteral("after"));
  Grid->Balloon()->SetEnable(true);
  ASSERT_NE(Grid->BalloonTip(), nullptr);
  Grid->RecreateWnd();
  Pump();
  TBalloonTip* tip = Grid->BalloonTip();
  ASSERT_NE(tip, nullptr);
  ASSERT_TRUE(tip->Created());
  HoverCell(2, 2);
  clock.Advance(500);
  EXPECT_TRUE(tip->Visible());
  EXPECT_EQ(tip->Text(), "after");
}

// The floating footer's panel has a balloon of its own over the footer
// cells (the grid's last row), with the information icon.
TEST_F(GridBalloonHoverTest, FooterCellsHaveTheirBalloon) {
  TManualClock clock;
  Grid->SetCells(2, 5, QStringLiteral("total 42"));
  Grid->SetCells(3, 5, QStringLiteral("x"));
  Grid->AddBalloon(1, 5, QStringLiteral("Sum"), QStringLiteral("of the column"), biError);
  Grid->SetCells(2, 2, QStringLiteral("cell"));
  TFloatingFooter* ff = Grid->FloatingFooter();
  ff->SetVisible(true);
  Pump();
  TFooterPanel* panel = Grid->FooterPanel();
  ASSERT_TRUE(panel->HandleAllocated());
  ASSERT_GT(panel->Height(), 10);
  EXPECT_EQ(panel->BalloonTip(), nullptr) << "balloons are off";
  Grid->Balloon()->SetEnable(true);
  TBalloonTip* tip = panel->BalloonTip();
  ASSERT_NE(tip, nullptr) << "switching balloons on reaches the panel";
  EXPECT_EQ(tip->Title(), "ToolTipText");
  TBalloonTip* gridTip = Grid->BalloonTip();
  ASSERT_NE(gridTip, nullptr);

  // A grid cell's balloon first; the mouse then goes down onto the footer.
  HoverCell(2, 2);
  clock.Advance(500);
  EXPECT_TRUE(gridTip->Visible());
  MouseMove(panel, 2 * 90 + 45, 5);
  EXPECT_FALSE(gridTip->Visible()) << "the grid's balloon goes when the mouse leaves its cells";
  clock.Advance(499);
  EXPECT_FALSE(tip->Visible());
  clock.Advance(1);
  ASSERT_TRUE(tip->Visible());
  EXPECT_EQ(tip->Text(), "total 42");
  EXPECT_EQ(tip->Title(), " ");
  EXPECT_EQ(tip->Icon(), 1);
  EXPECT_EQ(panel->LastBalloonPos(), TPoint(2, 5));
  // Another footer cell: popped at once, the other text after the reshow.
  MouseMove(panel, 3 * 90 + 45, 5);
  EXPECT_FALSE(tip->Visible());
  EXPECT_EQ(panel->LastBalloonPos(), TPoint(-1, -1));
  clock.Advance(100);
  ASSERT_TRUE(tip->Visible());
  EXPECT_EQ(tip->Text(), "x");
  // A footer cell's own balloon.
  MouseMove(panel, 90 + 45, 5);
  clock.Advance(100);
  ASSERT_TRUE(tip->Visible());
  EXPECT_EQ(tip->Text(), "of the column");
  EXPECT_EQ(tip->Title(), "Sum");
  EXPECT_EQ(tip->Icon(), int(biError));
  // Beyond the last column there is no cell and no balloon.
  MouseMove(panel, 4 * 90 + 30, 5);
  clock.Advance(600);
  EXPECT_FALSE(tip->Visible());
  // The grid itself does not answer for the row the footer shows.
  TKitStringGrid::TGridBalloonNotify n;
  n.Hdr.code = UINT(TKitStringGrid::GN_BALLOONTEXT);
  n.At = Middle(2, 5);
  Grid->Perform(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&n));
  EXPECT_FALSE(n.Answered);
  // Off: the panel's balloon goes too.
  Grid->Balloon()->SetEnable(false);
  EXPECT_EQ(panel->BalloonTip(), nullptr);
}

// A footer panel whose window is made while balloons are on makes its
// balloon with the window.
TEST(GridFooterBalloon, MadeWithThePanelsWindow) {
  auto form = std::make_unique<TForm>(nullptr);
  form->SetBounds(10, 10, 400, 300);
  TKitStringGrid* grid = Create<TKitStringGrid>(form.get());
  grid->SetBounds(0, 0, 300, 200);
  grid->Balloon()->SetEnable(true);
  grid->FloatingFooter()->SetVisible(true);
  grid->SetParent(form.get());
  ASSERT_TRUE(ShowAndActivate(form.get()));
  Pump();
  ASSERT_NE(grid->FooterPanel(), nullptr);
  ASSERT_TRUE(grid->FooterPanel()->HandleAllocated());
  EXPECT_NE(grid->FooterPanel()->BalloonTip(), nullptr);
  EXPECT_NE(grid->BalloonTip(), nullptr);
  form.reset();
  Pump();
}
