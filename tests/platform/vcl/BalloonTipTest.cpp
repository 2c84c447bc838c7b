// The balloon tooltip following the mouse over its owner on the manual
// clock: the initial, reshow and auto-pop delays, leaving, pressing, the
// owner's pop, the text asked for each time it shows, the maximum width.

#include <QWidget>
#include <functional>

#include "platform/vcl/BalloonTip.h"
#include "platform/win32/Scheduler.h"
#include "tests/platform/vcl/ControlsTestSupport.h"

using namespace vcltest;

namespace {

class BalloonTipTest : public VclFormTest {
 protected:
  void SetUp() override {
    VclFormTest::SetUp();
    Tip = std::make_unique<TBalloonTip>(A);
    ASSERT_TRUE(Tip->AddTool());
    Tip->OnNeedText = [this] {
      ++Asked;
      return Answer;
    };
  }
  void TearDown() override {
    Tip.reset();
    VclFormTest::TearDown();
  }
  std::unique_ptr<TBalloonTip> Tip;
  QString Answer = QStringLiteral("Balloon text");
  int Asked = 0;
};

}  // namespace

// One mouse story, step by step: what the user does, how much time passes,
// and what the balloon then shows.
TEST_F(BalloonTipTest, FollowsTheMouseWithItsDelays) {
  TManualClock clock;
  Tip->SetAutoPopDelay(3000);
  struct TStep {
    const char* What;
    std::function<void()> Act;
    int Wait;
    bool Visible;
    bool Pending;
    int Asked;
  };
  const TStep steps[] = {
      {"rests on the tool, not yet", [&] { MouseMove(A, 20, 20); }, 499, false, true, 0},
      {"after the initial delay", [] {}, 1, true, false, 1},
      {"moves while it shows keep it", [&] { MouseMove(A, 40, 30); }, 100, true, false, 1},
      {"auto-pop", [] {}, 2900, false, false, 1},
      {"stays away after auto-pop", [&] { MouseMove(A, 41, 30); }, 2000, false, false, 1},
      {"the owner's pop times it again", [&] { Tip->Pop(); }, 499, false, true, 1},
      {"with the initial delay (none showed)", [] {}, 1, true, false, 2},
      {"a pop while showing hides at once", [&] { Tip->Pop(); }, 99, false, true, 2},
      {"and reshows after the reshow delay", [] {}, 1, true, false, 3},
      {"leaving for another control hides", [&] { MouseMove(B, 20, 20); }, 2000, false, false, 3},
      {"back on the tool", [&] { MouseMove(A, 20, 20); }, 200, false, true, 3},
      {"a press cancels the balloon being timed", [&] { MouseDown(A, 20, 20); }, 2000, false, false, 3},
      {"moves with the button held time nothing", [&] { MouseMove(A, 25, 25, TShiftState{ssLeft}); }, 2000,
       false, false, 3},
      {"released and moved: timed again", [&] { MouseUp(A, 25, 25); MouseMove(A, 26, 25); }, 500, true, false, 4},
      {"a press hides a balloon shown", [&] { MouseDown(A, 26, 25); MouseUp(A, 26, 25); }, 0, false, false, 4},
  };
  for (const TStep& s : steps) {
    SCOPED_TRACE(s.What);
    s.Act();
    if (s.Wait > 0) clock.Advance(uint64_t(s.Wait));
    EXPECT_EQ(Tip->Visible(), s.Visible);
    EXPECT_EQ(Tip->Pending(), s.Pending);
    EXPECT_EQ(Asked, s.Asked);
  }
}

TEST_F(BalloonTipTest, OpensBelowTheMouseWithTheTextOfTheMoment) {
  TManualClock clock;
  MouseMove(A, 30, 15);
  clock.Advance(TBalloonTip::kDefaultInitialDelay);
  ASSERT_TRUE(Tip->Visible());
  EXPECT_EQ(Tip->MousePos(), TPoint(30, 15));
  const TPoint mouse = A->ClientToScreen(TPoint(30, 15));
  EXPECT_EQ(Tip->Window()->pos(), QPoint(mouse.X, mouse.Y + TBalloonTip::kBelowCursor));
  EXPECT_EQ(Tip->Text(), "Balloon text");
  // An empty answer shows nothing; the next rest asks again.
  Answer.clear();
  Tip->Pop();
  clock.Advance(TBalloonTip::kDefaultReshowDelay);
  EXPECT_EQ(Asked, 2);
  EXPECT_FALSE(Tip->Visible());
  // The delays set are the ones waited.
  Answer = QStringLiteral("again");
  Tip->SetInitialDelay(50);
  MouseMove(A, 31, 15);
  clock.Advance(49);
  EXPECT_FALSE(Tip->Visible());
  clock.Advance(1);
  EXPECT_TRUE(Tip->Visible());
  EXPECT_EQ(Tip->Text(), "again");
}

TEST_F(BalloonTipTest, TheMaximumWidthWrapsTheText) {
  Answer = QStringLiteral("several words that make a line far wider than a narrow balloon");
  Tip->Popup(TPoint(100, 100));
  ASSERT_TRUE(Tip->Visible());
  const QSize wide = Tip->Window()->size();
  EXPECT_GT(wide.width(), 200) << "one line without a maximum width";
  Tip->SetMaxWidth(120);
  Tip->Popup(TPoint(100, 100));
  const QSize narrow = Tip->Window()->size();
  EXPECT_LE(narrow.width(), 120);
  EXPECT_GT(narrow.height(), wide.height()) << "wrapped onto more lines";
}

TEST_F(BalloonTipTest, ATipWithoutToolFollowsNothing) {
  TManualClock clock;
  TBalloonTip idle(B);
  int asked = 0;
  idle.OnNeedText = [&] {
    ++asked;
    return QStringLiteral("x");
  };
  MouseMove(B, 20, 20);
  clock.Advance(1000);
  EXPECT_EQ(asked, 0);
  EXPECT_FALSE(idle.Visible());
}
