// The up-down control: steps and their notifications in the framework's
// order, limits and wrapping (also over many random steps against a plain
// model), the associate, the repeat on the manual clock, the messages and
// the look.

#include "platform/vcl/ComCtrlsUpDown.h"

#include <random>

#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/Themes.h"
#include "tests/platform/vcl/PictureFiles.h"
#include "tests/platform/vcl/StdCtrlsTestSupport.h"
#include "tests/platform/vcl/VclTestSupport.h"

using namespace vcltest;

namespace {

class UpDownTest : public StdFormTest {
 protected:
  void SetUp() override {
    StdFormTest::SetUp();
    Edit = Create<TEdit>(Form.get());
    Edit->SetName(QStringLiteral("edit"));
    Edit->SetBounds(20, 20, 100, 24);
    Edit->SetParent(Form.get());
    Up = Create<TUpDown>(Form.get());
    Up->SetName(QStringLiteral("updown"));
    Up->SetParent(Form.get());
    Up->OnChanging = [this](TObject*, bool& Allow) {
      Events << QStringLiteral("changing");
      Allow = Allow && !Refuse;
    };
    Up->OnChangingEx = [this](TObject*, bool&, int NewValue, TUpDownDirection Dir) {
      Events << QStringLiteral("changingEx %1 %2")
                    .arg(NewValue)
                    .arg(Dir == updUp     ? "up"
                         : Dir == updDown ? "down"
                                          : "none");
    };
    Up->OnClick = [this](TObject*, TUDBtnType Button) {
      Events << QStringLiteral("click %1").arg(Button == btNext ? "next" : "prev");
    };
    Pump();
  }
  // The centres of the two buttons.
  TPoint NextAt() const { return Up->NextRect().CenterPoint(); }
  TPoint PrevAt() const { return Up->PrevRect().CenterPoint(); }

  TEdit* Edit = nullptr;
  TUpDown* Up = nullptr;
  QStringList Events;
  bool Refuse = false;
};

TEST_F(UpDownTest, AClickNotifiesTheParentThenScrollsInTheFrameworksOrder) {
  Up->SetAssociate(Edit);
  TMessageLog log;
  log.Attach(Form.get(), QStringLiteral("form"));
  TManualClock clock;
  Click(Up, NextAt().X, NextAt().Y);
  // UDN_DELTAPOS as WM_NOTIFY, then the position as WM_VSCROLL, the end
  // with the release.
  EXPECT_EQ(log.Lines({WM_NOTIFY, WM_VSCROLL, WM_HSCROLL}),
            (QStringList{"form WM_NOTIFY 0", QStringLiteral("form WM_VSCROLL %1").arg(MAKEWPARAM(SB_THUMBPOSITION, 1)),
                         QStringLiteral("form WM_VSCROLL %1").arg(MAKEWPARAM(SB_ENDSCROLL, 1))}));
  EXPECT_EQ(Events, (QStringList{"changing", "changingEx 1 up", "click next"}));
  EXPECT_EQ(Edit->Text(), QStringLiteral("1"));
  EXPECT_EQ(Up->Position(), 1);

  // A horizontal up-down scrolls horizontally; the left button is "prev".
  Up->SetOrientation(udHorizontal);
  Pump();
  log.Clear();
  Events.clear();
  Click(Up, PrevAt().X, PrevAt().Y);
  EXPECT_EQ(log.Lines({WM_NOTIFY, WM_VSCROLL, WM_HSCROLL}),
            (QStringList{"form WM_NOTIFY 0", QStringLiteral("form WM_HSCROLL %1").arg(MAKEWPARAM(SB_THUMBPOSITION, 0)),
                         QStringLiteral("form WM_HSCROLL %1").arg(MAKEWPARAM(SB_ENDSCROLL, 0))}));
  EXPECT_EQ(Events, (QStringList{"changing", "changingEx 0 down", "click prev"}));
}

TEST_F(UpDownTest, StepsStopOrWrapAtTheLimits) {
  struct TCase {
    const char* Name;
    int Min, Max, Increment;
    bool Wrap;
    int Start;
    TUDBtnType Button;
    int Expected;
  };
  const TCase cases[] = {
      {"next", 0, 100, 1, false, 5, btNext, 6},
      {"prev", 0, 100, 1, false, 5, btPrev, 4},
      {"increment 10", 0, 100, 10, false, 5, btNext, 15},
      {"stops at the top", 0, 100, 10, false, 95, btNext, 100},
      {"stops at the bottom", 0, 100, 10, false, 3, btPrev, 0},
      {"wraps to the bottom", 0, 100, 1, true, 100, btNext, 0},
      {"wraps to the top", 0, 100, 1, true, 0, btPrev, 100},
      {"reversed range: next lowers", 10, 0, 1, false, 5, btNext, 4},
      {"reversed range: prev raises", 10, 0, 1, false, 5, btPrev, 6},
      {"negative range", -20, -10, 3, false, -12, btNext, -10},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Up->SetMin(c.Min);
    Up->SetMax(c.Max);
    Up->SetIncrement(c.Increment);
    Up->SetWrap(c.Wrap);
    Up->SetPosition(c.Start);
    ASSERT_EQ(Up->Position(), c.Start);
    Events.clear();
    Click(Up, (c.Button == btNext ? NextAt() : PrevAt()).X, (c.Button == btNext ? NextAt() : PrevAt()).Y);
    EXPECT_EQ(Up->Position(), c.Expected);
    // At an end the notifications come all the same.
    EXPECT_EQ(Events.last(), QStringLiteral("click %1").arg(c.Button == btNext ? "next" : "prev"));
  }
}

TEST_F(UpDownTest, ARefusedChangeKeepsThePositionAndRunsNoClick) {
  Up->SetPosition(7);
  Refuse = true;
  Click(Up, NextAt().X, NextAt().Y);
  EXPECT_EQ(Up->Position(), 7);
  EXPECT_EQ(Events, (QStringList{"changing", "changingEx 8 up"}));
  // A parent refusing UDN_DELTAPOS does the same.
  Refuse = false;
  Events.clear();
  Form->SetWindowProc([previous = Form->DefaultWindowProc()](TMessage& M) {
    if (M.Msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(M.LParam)->code == UDN_DELTAPOS) {
      M.Result = 1;
      return;
    }
    previous(M);
  });
  Click(Up, NextAt().X, NextAt().Y);
  EXPECT_EQ(Up->Position(), 7);
  EXPECT_TRUE(Events.isEmpty());
  Form->SetWindowProc(nullptr);
}

TEST_F(UpDownTest, HoldingAButtonRepeatsOnTheManualClock) {
  TManualClock clock;
  MouseDown(Up, NextAt().X, NextAt().Y);
  struct TStep {
    uint64_t Ms;
    int Position;
  };
  const TStep steps[] = {{0, 1}, {399, 1}, {1, 2}, {99, 2}, {1, 3}, {300, 6}};
  for (const TStep& s : steps) {
    clock.Advance(s.Ms);
    EXPECT_EQ(Up->Position(), s.Position) << "after " << s.Ms << " ms more";
  }
  // Off the pressed button the repeat pauses; back on it, it goes on.
  MouseMove(Up, PrevAt().X, PrevAt().Y);
  clock.Advance(300);
  EXPECT_EQ(Up->Position(), 6);
  MouseMove(Up, NextAt().X, NextAt().Y);
  clock.Advance(100);
  EXPECT_EQ(Up->Position(), 7);
  MouseUp(Up, NextAt().X, NextAt().Y);
  clock.Advance(1000);
  EXPECT_EQ(Up->Position(), 7);
}

TEST_F(UpDownTest, TheAssociateSitsBesideItAndShowsThePosition) {
  const int udWidth = Up->Width();
  Up->SetMax(5000);
  Up->SetPosition(1234);
  Up->SetAssociate(Edit);
  EXPECT_EQ(Edit->Width(), 100 - udWidth);
  EXPECT_EQ(Up->BoundsRect(), TRect(20 + 100 - udWidth, 20, 120, 44));
  EXPECT_EQ(Edit->Text(), QStringLiteral("1,234"));
  Up->SetThousands(false);
  EXPECT_EQ(Edit->Text(), QStringLiteral("1234"));

  // The associate's text is read before a step: typed numbers count, a
  // text that is no number leaves the position.
  struct TCase {
    const char* Typed;
    int Position;   // read back
    bool Error;     // UDM_GETPOS32 reports it
    QString After;  // the associate after a step up
  };
  const TCase cases[] = {
      {"42", 42, false, "43"},        {" 1,999 ", 1999, false, "2000"}, {"-5", 0, false, "1"},
      {"99999", 5000, false, "5000"}, {"abc", 5000, true, "5000"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Typed);
    Edit->SetText(QString::fromLatin1(c.Typed));
    BOOL error = FALSE;
    EXPECT_EQ(int(Up->Perform(UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&error))), c.Position);
    EXPECT_EQ(error != FALSE, c.Error);
    Edit->SetText(QString::fromLatin1(c.Typed));
    Click(Up, NextAt().X, NextAt().Y);
    EXPECT_EQ(Edit->Text(), c.After);
  }
}

TEST_F(UpDownTest, ArrowKeysInTheAssociateStepTheUpDown) {
  Up->SetAssociate(Edit);
  QStringList editKeys;
  Edit->OnKeyDown = [&](TObject*, Word& Key, TShiftState) { editKeys << QString::number(Key); };
  Edit->SetFocus();
  Pump();
  TMessageLog log;
  log.Attach(Form.get(), QStringLiteral("form"));
  Key(VK_UP);
  Key(VK_UP);
  Key(VK_DOWN);
  EXPECT_EQ(Up->Position(), 1);
  EXPECT_EQ(Edit->Text(), QStringLiteral("1"));
  EXPECT_TRUE(editKeys.isEmpty()) << "the arrows went to the edit";
  // Each key ends its steps with SB_ENDSCROLL.
  int ends = 0;
  for (const TLoggedMessage& m : log.Entries())
    if (m.Msg == WM_VSCROLL && LOWORD(DWORD(m.WParam)) == SB_ENDSCROLL) ++ends;
  EXPECT_EQ(ends, 3);
  // Without ArrowKeys they reach the edit.
  Up->SetArrowKeys(false);
  Key(VK_UP);
  EXPECT_EQ(Up->Position(), 1);
  EXPECT_EQ(editKeys, QStringList{QString::number(VK_UP)});
}

TEST_F(UpDownTest, TheAssociatesDestructionClearsIt) {
  Up->SetAssociate(Edit);
  delete Edit;
  Edit = nullptr;
  EXPECT_EQ(Up->Associate(), nullptr);
  Click(Up, NextAt().X, NextAt().Y);
  EXPECT_EQ(Up->Position(), 1);
}

TEST_F(UpDownTest, SixteenBitMessagesPackTheirValues) {
  Up->Perform(UDM_SETRANGE, 0, MAKELPARAM(WORD(SHORT(50)), WORD(SHORT(-50))));  // (max, min)
  EXPECT_EQ(Up->Min(), -50);
  EXPECT_EQ(Up->Max(), 50);
  const LRESULT range = Up->Perform(UDM_GETRANGE, 0, 0);
  EXPECT_EQ(SHORT(LOWORD(DWORD(range))), 50);
  EXPECT_EQ(SHORT(HIWORD(DWORD(range))), -50);
  Up->Perform(UDM_SETPOS, 0, MAKELPARAM(WORD(SHORT(-7)), 0));
  EXPECT_EQ(Up->Position(), -7);
  EXPECT_EQ(SHORT(LOWORD(DWORD(Up->Perform(UDM_GETPOS, 0, 0)))), -7);
  EXPECT_EQ(Up->Perform(UDM_SETBASE, 16, 0), 0) << "hexadecimal is refused";
  EXPECT_EQ(Up->Perform(UDM_GETBASE, 0, 0), 10);
  Up->Perform(UDM_SETBUDDY, reinterpret_cast<WPARAM>(Edit->Handle()), 0);
  EXPECT_EQ(Up->Associate(), Edit);
  EXPECT_EQ(reinterpret_cast<HWND>(Up->Perform(UDM_GETBUDDY, 0, 0)), Edit->Handle());
}

// Many random steps, settings and typed texts against a plain model of the
// rules: with an associate the position is its text, pulled into the range;
// a step goes from there by Increment, wraps only with Wrap, and writes the
// new position into the associate.
TEST_F(UpDownTest, ManyRandomStepsFollowThePlainModel) {
  Up->SetAssociate(Edit);
  Up->SetThousands(false);
  std::mt19937 random(20240532);
  int min = 0, max = 100, text = 0, inc = 1;
  bool wrap = false;
  auto clamp = [&](int v) { return std::clamp(v, std::min(min, max), std::max(min, max)); };
  for (int step = 0; step < 400; ++step) {
    const int what = int(random() % 10);
    SCOPED_TRACE(QStringLiteral("step %1 (%2)").arg(step).arg(what).toStdString());
    if (what < 5) {
      const bool next = random() % 2;
      Click(Up, (next ? NextAt() : PrevAt()).X, (next ? NextAt() : PrevAt()).Y);
      const int lo = std::min(min, max), hi = std::max(min, max);
      const long long wanted = (long long)clamp(text) + (next ? 1 : -1) * (max >= min ? 1 : -1) * inc;
      text = wanted > hi ? (wrap ? lo : hi) : wanted < lo ? (wrap ? hi : lo) : int(wanted);
      ASSERT_EQ(Edit->Text(), QString::number(text));
    } else if (what == 5) {
      min = int(random() % 61) - 30;
      Up->SetMin(min);
    } else if (what == 6) {
      max = int(random() % 61) - 30;
      Up->SetMax(max);
    } else if (what == 7) {
      wrap = !wrap;
      Up->SetWrap(wrap);
    } else if (what == 8) {
      inc = int(random() % 7) + 1;
      Up->SetIncrement(inc);
    } else {
      text = int(random() % 81) - 40;
      Edit->SetText(QString::number(text));
    }
    ASSERT_EQ(Up->Position(), clamp(text));
  }
}

TEST_F(UpDownTest, BothButtonsShowAnArrowAndThePressedOneLooksPressed) {
  Up->SetBounds(200, 20, 17, 40);
  Pump();
  QImage rest = Grab(Up);
  KeepPicture(rest.scaled(rest.size() * 8), QStringLiteral("updown-at-rest-x8"));
  const QRect upper(0, 0, 17, 20), lower(0, 20, 17, 20);
  auto dark = [](const QImage& Image, const QRect& Area) {
    return probe::Count(
        Image, [](QRgb p) { return probe::Luminance(p) < 110; }, Area);
  };
  EXPECT_GT(dark(rest, upper), 3) << "no arrow in the upper button";
  EXPECT_GT(dark(rest, lower), 3) << "no arrow in the lower button";
  // The upper arrow points up: its ink is wider at the bottom.
  const QRect upInk = probe::Box(
      rest, [](QRgb p) { return probe::Luminance(p) < 110; }, upper);
  auto widthAt = [&](int y) {
    return probe::Box(
               rest, [](QRgb p) { return probe::Luminance(p) < 110; }, QRect(0, y, 17, 1))
        .width();
  };
  EXPECT_GT(widthAt(upInk.bottom()), widthAt(upInk.top()));
  const QRect downInk = probe::Box(
      rest, [](QRgb p) { return probe::Luminance(p) < 110; }, lower);
  EXPECT_LT(widthAt(downInk.bottom()), widthAt(downInk.top()));
  MouseDown(Up, 8, 5);
  QImage pressed = Grab(Up);
  EXPECT_NE(pressed.copy(upper), rest.copy(upper));
  EXPECT_EQ(pressed.copy(lower), rest.copy(lower));
  MouseUp(Up, 8, 5);
}

}  // namespace
