// The order of the messages and events that input produces: clicks, double
// clicks, typed text with Ctrl and Alt, Tab between controls, posted
// messages ahead of input, messages for destroyed controls, timers.

#include <QApplication>
#include <QKeyEvent>

#include "platform/vcl/ExtCtrlsBase.h"
#include "platform/win32/Scheduler.h"
#include "tests/platform/vcl/ControlsTestSupport.h"

using namespace vcltest;

namespace {

const QList<UINT> kKeyMessages = {WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_SYSCHAR};
const QList<UINT> kMouseButtons = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK,
                                   WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK};
const QList<UINT> kFocusMessages = {WM_SETFOCUS, WM_KILLFOCUS, CM_ENTER, CM_EXIT};

class MessageOrderTest : public VclFormTest {
 protected:
  void SetUp() override {
    VclFormTest::SetUp();
    for (TControl* c : {static_cast<TControl*>(A), static_cast<TControl*>(B), static_cast<TControl*>(C)})
      Log.Attach(c);
  }
  TMessageLog Log;
};

// --- mouse ----------------------------------------------------------------

TEST_F(MessageOrderTest, AClickIsDownThenUpWithClickBeforeMouseUp) {
  TManualClock clock;
  Click(A, 5, 6);
  EXPECT_EQ(Log.Lines(kMouseButtons), (QStringList{"a WM_LBUTTONDOWN 1", "a WM_LBUTTONUP 0"}));
  EXPECT_EQ(Events, (QStringList{"a MouseDown 0 L 5,6", "a Click", "a MouseUp 0 - 5,6"}));
  // The cursor is asked for before the button message (and before the move
  // that brought the mouse there).
  const QStringList withCursor = Log.Lines({WM_SETCURSOR, WM_LBUTTONDOWN});
  ASSERT_GE(withCursor.size(), 2);
  EXPECT_EQ(withCursor.last(), QStringLiteral("a WM_LBUTTONDOWN 1"));
  EXPECT_TRUE(withCursor[withCursor.size() - 2].startsWith(u"a WM_SETCURSOR"));
}

TEST_F(MessageOrderTest, ADoubleClickFollowsWin32Order) {
  TManualClock clock;
  DblClick(A, 5, 5);
  EXPECT_EQ(Log.Lines(kMouseButtons),
            (QStringList{"a WM_LBUTTONDOWN 1", "a WM_LBUTTONUP 0", "a WM_LBUTTONDBLCLK 1", "a WM_LBUTTONUP 0"}));
  EXPECT_EQ(Events, (QStringList{"a MouseDown 0 L 5,5", "a Click", "a MouseUp 0 - 5,5", "a DblClick",
                                 "a MouseDown 0 LD 5,5", "a MouseUp 0 - 5,5"}));
}

TEST_F(MessageOrderTest, DoubleClickNeedsTimeDistanceSameButtonAndTheClassStyle) {
  TManualClock clock;
  struct TCase {
    const char* Name;
    std::function<void()> SecondClick;
    bool Double;
  };
  const TCase cases[] = {
      {"within 500 ms", [&] { clock.Advance(500); Click(A, 5, 5); }, true},
      {"after 501 ms", [&] { clock.Advance(501); Click(A, 5, 5); }, false},
      {"2 px away", [&] { Click(A, 7, 3); }, true},
      {"3 px away", [&] { Click(A, 8, 5); }, false},
      {"other button", [&] { Click(A, 5, 5, mbRight); }, false},
      {"other control", [&] { Click(B, 5, 5); }, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    clock.Advance(10000);  // forget earlier clicks
    Log.Clear();
    Click(A, 5, 5);
    c.SecondClick();
    EXPECT_EQ(Log.Lines({WM_LBUTTONDBLCLK}).size(), c.Double ? 1 : 0);
  }
  // A third quick click starts a new pair.
  clock.Advance(10000);
  Log.Clear();
  for (int i = 0; i < 3; ++i) Click(A, 5, 5);
  EXPECT_EQ(Log.Lines({WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}),
            (QStringList{"a WM_LBUTTONDOWN 1", "a WM_LBUTTONDBLCLK 1", "a WM_LBUTTONDOWN 1"}));
  // Without double clicks in the control style the window class has none.
  B->SetControlStyle(B->ControlStyle() - TControlStyle{csDoubleClicks});
  B->RecreateWnd();
  clock.Advance(10000);
  Log.Clear();
  DblClick(B, 5, 5);
  EXPECT_EQ(Log.Lines({WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}), (QStringList{"b WM_LBUTTONDOWN 1", "b WM_LBUTTONDOWN 1"}));
}

TEST_F(MessageOrderTest, MouseKeyFlagsCarryButtonsAndModifiers) {
  TManualClock clock;
  MouseDown(A, 1, 1, mbLeft, TShiftState{ssShift, ssCtrl});
  MouseDown(A, 1, 1, mbRight, TShiftState{ssShift, ssCtrl});
  MouseUp(A, 1, 1, mbRight);
  MouseUp(A, 1, 1, mbLeft);
  EXPECT_EQ(Log.Lines(kMouseButtons),
            (QStringList{QStringLiteral("a WM_LBUTTONDOWN %1").arg(MK_LBUTTON | MK_SHIFT | MK_CONTROL),
                         QStringLiteral("a WM_RBUTTONDOWN %1").arg(MK_LBUTTON | MK_RBUTTON | MK_SHIFT | MK_CONTROL),
                         "a WM_RBUTTONUP 1",
                         "a WM_LBUTTONUP 0"}));
}

TEST_F(MessageOrderTest, CaptureKeepsTheDragOnThePressedControl) {
  TManualClock clock;
  Drag(A, TPoint(5, 5), TPoint(150, 20));  // ends over b
  const QStringList lines = Log.Lines({WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP});
  for (const QString& l : lines) EXPECT_TRUE(l.startsWith(u"a ")) << l.toStdString();
  EXPECT_EQ(Events.last(), QStringLiteral("a MouseUp 0 - 150,20"));
  EXPECT_FALSE(Events.contains(QStringLiteral("a Click")));  // released outside
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(MessageOrderTest, WheelComesInWholeNotchesToTheControlUnderTheMouse) {
  QList<int> deltas;
  B->OnMouseWheel = [&](TObject*, TShiftState, int delta, TPoint, bool& handled) {
    deltas << delta;
    handled = true;
  };
  Wheel(B, 1, 5, 5);
  Wheel(B, -2, 5, 5);
  WheelDelta(B, 40, 5, 5);
  WheelDelta(B, 40, 5, 5);
  EXPECT_EQ(deltas, (QList<int>{120, -240}));
  WheelDelta(B, 40, 5, 5);  // completes a notch
  EXPECT_EQ(deltas, (QList<int>{120, -240, 120}));
  // Unhandled wheels go up to the parent.
  int formDeltas = 0;
  Form->OnMouseWheel = [&](TObject*, TShiftState, int delta, TPoint, bool& handled) {
    formDeltas += delta;
    handled = true;
  };
  Wheel(A, 1, 5, 5);
  EXPECT_EQ(formDeltas, 120);
}

// --- keyboard ---------------------------------------------------------------

TEST_F(MessageOrderTest, CtrlAndAltKeysProduceWin32MessageSequences) {
  A->SetFocus();
  Pump();
  Log.Clear();
  Events.clear();
  Key('A', TShiftState{ssCtrl});
  EXPECT_EQ(Log.Lines(kKeyMessages), (QStringList{"a WM_KEYDOWN 17", "a WM_KEYDOWN 65", "a WM_CHAR 1",
                                                  "a WM_KEYUP 65", "a WM_KEYUP 17"}));
  EXPECT_EQ(Events, (QStringList{"a KeyDown 17 C", "a KeyDown 65 C", "a KeyPress 1", "a KeyUp 65 C", "a KeyUp 17 -"}));
  Log.Clear();
  Events.clear();
  Key('F', TShiftState{ssAlt});
  EXPECT_EQ(Log.Lines(kKeyMessages), (QStringList{"a WM_SYSKEYDOWN 18", "a WM_SYSKEYDOWN 70", "a WM_SYSCHAR 102",
                                                  "a WM_SYSKEYUP 70", "a WM_KEYUP 18"}));
  EXPECT_EQ(Events.first(), QStringLiteral("a KeyDown 18 A"));
  // Alt alone: its release is a system key too.
  Log.Clear();
  Key(VK_MENU);
  EXPECT_EQ(Log.Lines(kKeyMessages), (QStringList{"a WM_SYSKEYDOWN 18", "a WM_SYSKEYUP 18"}));
  EXPECT_GE(GetKeyState(VK_MENU), 0);
  EXPECT_GE(GetKeyState(VK_CONTROL), 0);
}

TEST_F(MessageOrderTest, TypedTextGivesKeyDownCharKeyUpPerCharacter) {
  A->SetFocus();
  Pump();
  Log.Clear();
  Events.clear();
  Type(QStringLiteral("Hi!"));
  EXPECT_EQ(Log.Lines(kKeyMessages),
            (QStringList{"a WM_KEYDOWN 72", "a WM_CHAR 72", "a WM_KEYUP 72", "a WM_KEYDOWN 73", "a WM_CHAR 105",
                         "a WM_KEYUP 73", "a WM_KEYDOWN 49", "a WM_CHAR 33", "a WM_KEYUP 49"}));
  EXPECT_EQ(Events.first(), QStringLiteral("a KeyDown 72 S"));
}

TEST_F(MessageOrderTest, CharacterCodesFollowTheWin32Table) {
  A->DialogCode = DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
  A->SetFocus();
  Pump();
  struct TCase {
    WORD Vk;
    TShiftState Shift;
    QStringList Chars;  // "WM_CHAR n" / "WM_SYSCHAR n"
  };
  const TCase cases[] = {
      {'A', {ssCtrl}, {"WM_CHAR 1"}},
      {'Z', {ssCtrl}, {"WM_CHAR 26"}},
      {VK_RETURN, {ssCtrl}, {"WM_CHAR 10"}},
      {VK_RETURN, {}, {"WM_CHAR 13"}},
      {VK_BACK, {}, {"WM_CHAR 8"}},
      {VK_BACK, {ssCtrl}, {"WM_CHAR 127"}},
      {VK_BACK, {ssAlt}, {"WM_SYSCHAR 8"}},
      {VK_ESCAPE, {}, {"WM_CHAR 27"}},
      {VK_TAB, {}, {"WM_CHAR 9"}},
      {VK_OEM_4, {ssCtrl}, {"WM_CHAR 27"}},
      {VK_SPACE, {ssCtrl}, {"WM_CHAR 32"}},
      {'A', {ssShift}, {"WM_CHAR 65"}},
      {'A', {ssAlt}, {"WM_SYSCHAR 97"}},
      {'1', {ssCtrl}, {}},
      {VK_DELETE, {}, {}},
      {VK_LEFT, {}, {}},
      {VK_F2, {}, {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(QStringLiteral("vk %1 %2").arg(c.Vk).arg(ShiftText(c.Shift)).toStdString());
    Log.Clear();
    Key(c.Vk, c.Shift);
    QStringList chars;
    for (const QString& l : Log.Lines({WM_CHAR, WM_SYSCHAR})) chars << l.mid(2);
    EXPECT_EQ(chars, c.Chars);
  }
}

TEST_F(MessageOrderTest, KeyDataHasScanCodesAndTransitionBits) {
  A->DialogCode = DLGC_WANTARROWS;
  A->SetFocus();
  Pump();
  Log.Clear();
  KeypadKey(VK_DECIMAL);
  Key(VK_OEM_PERIOD);
  Key(VK_LEFT);
  std::vector<TLoggedMessage> downs, ups;
  for (const auto& e : Log.Entries()) {
    if (e.Msg == WM_KEYDOWN) downs.push_back(e);
    if (e.Msg == WM_KEYUP) ups.push_back(e);
  }
  ASSERT_EQ(downs.size(), 3u) << Log.Lines(kKeyMessages).join(u'|').toStdString();
  ASSERT_EQ(ups.size(), 3u);
  EXPECT_EQ(downs[0].WParam, WPARAM(VK_DECIMAL));
  EXPECT_EQ((downs[0].LParam >> 16) & 0xFF, 0x53);
  EXPECT_TRUE(downs[0].LParam & (1 << 22));  // the 0x40 bit of scan code 0x53
  EXPECT_EQ((downs[1].LParam >> 16) & 0xFF, 0x34);
  EXPECT_FALSE(downs[1].LParam & KF_EXTENDED_BIT);
  EXPECT_TRUE(downs[2].LParam & KF_EXTENDED_BIT);  // arrow outside the keypad
  for (const auto& d : downs) EXPECT_EQ(d.LParam & 0xFFFF, 1);  // repeat count
  for (const auto& u : ups) EXPECT_EQ(u.LParam & (KF_UP_BIT | KF_REPEAT_BIT), KF_UP_BIT | KF_REPEAT_BIT);
}

TEST_F(MessageOrderTest, SettingTheKeyToZeroStopsTheDefaultButNotTheChar) {
  A->SetFocus();
  Pump();
  A->OnKeyDown = [](TObject*, Word& key, TShiftState) { key = 0; };
  Log.Clear();
  Events.clear();
  Key('Q');
  // As on Win32 the character was translated before the key-down ran.
  EXPECT_EQ(Log.Lines({WM_CHAR}), QStringList{"a WM_CHAR 113"});
}

// --- focus and Tab ------------------------------------------------------------

TEST_F(MessageOrderTest, TabMovesTheFocusWithWin32AndFrameworkMessages) {
  A->SetFocus();
  Pump();
  ASSERT_TRUE(A->Focused());
  Log.Clear();
  Events.clear();
  Key(VK_TAB);
  EXPECT_TRUE(B->Focused());
  EXPECT_EQ(GetFocus(), B->Handle());
  EXPECT_EQ(Log.Lines(kFocusMessages),
            (QStringList{"a WM_KILLFOCUS b", "b WM_SETFOCUS a", "a CM_EXIT 0", "b CM_ENTER 0"}));
  EXPECT_EQ(Events, (QStringList{"a Exit", "b Enter", "b KeyUp 9 -"}));
  // The Tab that moved the focus never reached a as a key message.
  EXPECT_TRUE(Log.Lines({WM_KEYDOWN, WM_CHAR}).isEmpty());
  EXPECT_EQ(Form->ActiveControl(), B);

  Key(VK_TAB, TShiftState{ssShift});
  EXPECT_TRUE(A->Focused());
  Key(VK_TAB, TShiftState{ssShift});
  EXPECT_TRUE(C->Focused());  // wraps around
  Key(VK_TAB);
  EXPECT_TRUE(A->Focused());
}

TEST_F(MessageOrderTest, TabSkipsControlsThatCannotTakeTheFocusAndFollowsTabOrder) {
  A->SetFocus();
  Pump();
  B->SetTabStop(false);
  Key(VK_TAB);
  EXPECT_TRUE(C->Focused());
  B->SetTabStop(true);
  B->SetEnabled(false);
  Key(VK_TAB);
  EXPECT_TRUE(A->Focused());
  Key(VK_TAB);
  EXPECT_TRUE(C->Focused());
  B->SetEnabled(true);
  C->SetTabOrder(0);  // c, a, b
  EXPECT_EQ(C->TabOrder(), 0);
  Key(VK_TAB);
  EXPECT_TRUE(A->Focused());
  C->SetVisible(false);
  Key(VK_TAB);
  Key(VK_TAB);
  EXPECT_TRUE(A->Focused());
}

TEST_F(MessageOrderTest, AControlThatWantsTabOrArrowsGetsThem) {
  A->DialogCode = DLGC_WANTTAB;
  A->SetFocus();
  Pump();
  Log.Clear();
  Key(VK_TAB);
  EXPECT_TRUE(A->Focused());
  EXPECT_EQ(Log.Lines({WM_KEYDOWN, WM_CHAR}), (QStringList{"a WM_KEYDOWN 9", "a WM_CHAR 9"}));
  // Arrows are not wanted: they move to the next sibling.
  Key(VK_RIGHT);
  EXPECT_TRUE(B->Focused());
  B->DialogCode = DLGC_WANTARROWS;
  Key(VK_RIGHT);
  EXPECT_TRUE(B->Focused());
  // CM_WANTSPECIALKEY answers the same question per key.
  B->DialogCode = 0;
  B->SetWindowProc([this, old = B->DefaultWindowProc()](TMessage& m) {
    if (m.Msg == CM_WANTSPECIALKEY && m.WParam == VK_DOWN) {
      m.Result = 1;
      return;
    }
    old(m);
  });
  Key(VK_DOWN);
  EXPECT_TRUE(B->Focused());
  Key(VK_UP);
  EXPECT_TRUE(A->Focused());
}

TEST_F(MessageOrderTest, KeyPreviewLetsTheFormSeeKeysFirst) {
  A->SetFocus();
  Pump();
  QStringList formKeys;
  Form->OnKeyDown = [&](TObject*, Word& key, TShiftState) {
    formKeys << QString::number(key);
    if (key == 'X') key = 0;  // eaten by the form
  };
  Form->OnKeyPress = [&](TObject*, QChar& key) { formKeys << QString(key); };
  Key('Y');
  EXPECT_TRUE(formKeys.isEmpty());
  Form->SetKeyPreview(true);
  Events.clear();
  Key('Y');
  Key('X');
  EXPECT_EQ(formKeys, (QStringList{"89", "y", "88", "x"}));
  EXPECT_EQ(Events, (QStringList{"a KeyDown 89 -", "a KeyPress 121", "a KeyUp 89 -", "a KeyPress 120", "a KeyUp 88 -"}));
}

TEST_F(MessageOrderTest, ClickingDoesNotMoveTheFocusByItself) {
  A->SetFocus();
  Pump();
  Click(B, 5, 5);
  EXPECT_TRUE(A->Focused());
  B->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { B->SetFocus(); };
  Click(B, 5, 5);
  EXPECT_TRUE(B->Focused());
}

// --- posted messages ------------------------------------------------------------

TEST_F(MessageOrderTest, APostedMessageRunsBeforeTheNextInput) {
  A->SetFocus();
  Pump();
  const UINT done = RegisterWindowMessage(QStringLiteral("GridEditDone"));
  Log.Clear();
  PostMessage(A->Handle(), done, 7, 0);
  PostMessage(B->Handle(), WM_USER + 1, 0, 0);
  // Input straight into Qt, without pumping first.
  QKeyEvent press(QEvent::KeyPress, Qt::Key_K, Qt::NoModifier, QStringLiteral("k"));
  QApplication::sendEvent(QApplication::focusWidget(), &press);
  EXPECT_EQ(Log.Lines({done, WM_USER + 1, WM_KEYDOWN}),
            (QStringList{QStringLiteral("a %1 7").arg(MessageName(done)), "b 0x0401 0", "a WM_KEYDOWN 75"}));
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_K, Qt::NoModifier, QStringLiteral("k"));
  QApplication::sendEvent(QApplication::focusWidget(), &release);
  Pump();
}

TEST_F(MessageOrderTest, MessagesPostedByAKeyHandlerComeAfterItsChar) {
  A->SetFocus();
  Pump();
  A->OnKeyDown = [this](TObject*, Word& key, TShiftState) {
    if (key == 'M') PostMessage(A->Handle(), WM_USER + 5, 0, 0);
  };
  Log.Clear();
  Key('M');
  EXPECT_EQ(Log.Lines({WM_KEYDOWN, WM_CHAR, WM_USER + 5, WM_KEYUP}),
            (QStringList{"a WM_KEYDOWN 77", "a WM_CHAR 109", "a 0x0405 0", "a WM_KEYUP 77"}));
}

TEST_F(MessageOrderTest, AMessagePostedToADestroyedControlIsDropped) {
  const HWND old = B->Handle();
  ASSERT_TRUE(PostMessage(old, WM_USER + 9, 1, 2));
  ASSERT_TRUE(PostMessage(A->Handle(), WM_USER + 9, 3, 4));
  delete B;
  B = nullptr;
  // A new control may take over the window slot; the message is not its.
  auto* d = new TRecordingControl(Form.get(), &Events, QStringLiteral("d"));
  d->SetBounds(130, 10, 100, 50);
  d->SetParent(Form.get());
  Log.Attach(d);
  Pump();
  EXPECT_EQ(Log.Lines({WM_USER + 9}), QStringList{"a 0x0409 3"});
  EXPECT_FALSE(IsWindow(old));
  EXPECT_FALSE(PostMessage(old, WM_USER + 9, 0, 0));
}

// --- timers ------------------------------------------------------------------------

TEST_F(MessageOrderTest, TimersRunOnTheManualClock) {
  TManualClock clock(5000);
  int ticks = 0;
  TTimer timer(nullptr);
  timer.SetInterval(100);
  timer.SetOnTimer([&](TObject*) { ++ticks; });
  EXPECT_EQ(GetTickCount(), 5000u);
  clock.Advance(99);
  EXPECT_EQ(ticks, 0);
  clock.Advance(251);
  EXPECT_EQ(ticks, 3);
  EXPECT_EQ(GetTickCount(), 5350u);
  timer.SetEnabled(false);
  clock.Advance(1000);
  EXPECT_EQ(ticks, 3);
  timer.SetEnabled(true);  // counts again from now
  clock.Advance(100);
  EXPECT_EQ(ticks, 4);

  // Window timers arrive as WM_TIMER with their id; they die with the window.
  Log.Clear();
  SetTimer(A->Handle(), 111, 500, nullptr);
  SetTimer(B->Handle(), 999, 10, nullptr);
  clock.Advance(30);
  KillTimer(B->Handle(), 999);
  clock.Advance(470);
  EXPECT_EQ(Log.Lines({WM_TIMER}), (QStringList{"b WM_TIMER 999", "b WM_TIMER 999", "b WM_TIMER 999", "a WM_TIMER 111"}));
  const int before = TScheduler::Instance().ActiveCount();
  A->RecreateWnd();  // a new window: the old one's timers are gone
  EXPECT_EQ(TScheduler::Instance().ActiveCount(), before - 1);
}

TEST_F(MessageOrderTest, ExceptionsFromTimersReachHandleException) {
  TManualClock clock;
  TSeamRecorder seams;
  Application->SetTitle(QStringLiteral("Tallowfinch"));
  TTimer timer(nullptr);
  timer.SetInterval(10);
  timer.SetOnTimer([](TObject*) { throw EConvertError(QStringLiteral("'x' is not a valid integer value")); });
  clock.Advance(20);
  ASSERT_EQ(seams.Dialogs.Requests.size(), 2);
  EXPECT_EQ(seams.Dialogs.Requests[0].Text, QStringLiteral("'x' is not a valid integer value."));
  EXPECT_EQ(seams.Dialogs.Requests[0].Caption, QStringLiteral("Tallowfinch"));
  EXPECT_EQ(seams.Dialogs.Requests[0].DlgType, mtError);
  EXPECT_EQ(seams.Dialogs.Requests[0].Buttons, QList<TModalResult>{mrOk});
  // OnException replaces the message box; EAbort stays silent.
  QStringList seen;
  Application->OnException = [&](TObject*, const Exception& e) { seen << e.Message(); };
  clock.Advance(10);
  timer.SetOnTimer([](TObject*) { throw EAbort(QStringLiteral("quiet")); });
  clock.Advance(10);
  Application->OnException = nullptr;
  EXPECT_EQ(seen, QStringList{"'x' is not a valid integer value"});
  EXPECT_EQ(seams.Dialogs.Requests.size(), 2);
}

TEST_F(MessageOrderTest, ExceptionsFromInputHandlersDoNotCrossQt) {
  TSeamRecorder seams;
  A->OnClick = [](TObject*) { throw EInvalidOperation(QStringLiteral("Click failed")); };
  EXPECT_NO_THROW(Click(A, 5, 5));
  ASSERT_EQ(seams.Dialogs.Requests.size(), 1);
  EXPECT_EQ(seams.Dialogs.Requests[0].Text, QStringLiteral("Click failed."));
  // Perform is a direct call: the caller sees the exception.
  A->Perform(WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam(1, 1));
  EXPECT_THROW(A->Perform(WM_LBUTTONUP, 0, PointToLParam(1, 1)), EInvalidOperation);
}

}  // namespace
