// Window handles, sent and posted messages, registered messages, timers on
// the manual clock, key state, capture and invalidation.

#include <gtest/gtest.h>

#include <QWidget>
#include <memory>
#include <stdexcept>
#include <vector>

#include "platform/rtl/SysUtils.h"
#include "platform/win32/Scheduler.h"
#include "platform/win32/WinUser.h"

namespace {

struct TRecord {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  bool operator==(const TRecord&) const = default;
};

// A window over a plain widget that records what reaches its procedure.
class TTestWindow : public TWindowObject {
 public:
  explicit TTestWindow(std::vector<TRecord>* log = nullptr) : FLog(log ? log : &FOwnLog) {
    FHandle = AllocateWindowHandle(this, &FWidget);
  }
  ~TTestWindow() override { Destroy(); }
  void Destroy() {
    if (FHandle) ReleaseWindowHandle(FHandle);
    FHandle = nullptr;
  }
  HWND Handle() const { return FHandle; }
  const std::vector<TRecord>& Log() const { return *FLog; }
  std::function<LRESULT(UINT, WPARAM, LPARAM)> OnMessage;

  LRESULT WindowMessage(UINT Msg, WPARAM wParam, LPARAM lParam) override {
    FLog->push_back({Msg, wParam, lParam});
    return OnMessage ? OnMessage(Msg, wParam, lParam) : 0;
  }
  QWidget* WindowWidget() const override { return const_cast<QWidget*>(&FWidget); }
  void InvalidateWindowRect(const RECT*) override { ++Invalidations; }
  void DestroyWindowObject() override { Destroy(); }
  int Invalidations = 0;

 private:
  QWidget FWidget;
  std::vector<TRecord> FOwnLog;
  std::vector<TRecord>* FLog;
  HWND FHandle = nullptr;
};

class WinUserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ProcessPostedMessages();
    TScheduler::Instance().UseManualClock(5000);
  }
  void TearDown() override {
    ProcessPostedMessages();
    TScheduler::Instance().UseRealClock();
    SetExceptionHandler(nullptr);
    ResetInputKeyState();
  }
};

TEST_F(WinUserTest, HandlesOfDestroyedWindowsStayInvalidWhenTheSlotIsReused) {
  const int before = WindowHandleCount();
  HWND old;
  {
    TTestWindow w;
    old = w.Handle();
    EXPECT_TRUE(IsWindow(old));
    EXPECT_EQ(WindowHandleCount(), before + 1);
  }
  EXPECT_FALSE(IsWindow(old));
  TTestWindow reused;  // takes the freed slot with a new generation
  EXPECT_NE(reused.Handle(), old);
  EXPECT_FALSE(IsWindow(old));
  EXPECT_EQ(SendMessage(old, WM_USER, 1, 2), 0);
  EXPECT_TRUE(reused.Log().empty());
  EXPECT_FALSE(IsWindow(nullptr));
  EXPECT_EQ(WindowFromWidget(reused.WindowWidget()), reused.Handle());
}

TEST_F(WinUserTest, SendIsSynchronousAndReturnsTheResult) {
  TTestWindow w;
  w.OnMessage = [](UINT msg, WPARAM wp, LPARAM lp) { return LRESULT(wp + lp); };
  EXPECT_EQ(SendMessage(w.Handle(), WM_USER + 1, 40, 2), 42);
  ASSERT_EQ(w.Log().size(), 1u);
  EXPECT_EQ(w.Log()[0], (TRecord{WM_USER + 1, 40, 2}));
}

TEST_F(WinUserTest, PostedMessagesRunInOrderAndNotBeforeThePump) {
  std::vector<TRecord> log;
  TTestWindow a(&log), b(&log);
  ASSERT_TRUE(PostMessage(a.Handle(), WM_USER, 1, 0));
  ASSERT_TRUE(PostMessage(b.Handle(), WM_USER, 2, 0));
  ASSERT_TRUE(PostMessage(a.Handle(), WM_USER, 3, 0));
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(PostedMessageCount(), 3);
  EXPECT_EQ(ProcessPostedMessages(), 3);
  EXPECT_EQ(log, (std::vector<TRecord>{{WM_USER, 1, 0}, {WM_USER, 2, 0}, {WM_USER, 3, 0}}));
}

TEST_F(WinUserTest, MessagesPostedWhileDeliveringRunInTheSameRound) {
  TTestWindow w;
  w.OnMessage = [&](UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_USER && wp < 3) PostMessage(w.Handle(), WM_USER, wp + 1, 0);
    return LRESULT(0);
  };
  PostMessage(w.Handle(), WM_USER, 0, 0);
  EXPECT_EQ(ProcessPostedMessages(), 4);
  EXPECT_EQ(w.Log().back(), (TRecord{WM_USER, 3, 0}));
}

TEST_F(WinUserTest, MessageForADestroyedWindowIsDropped) {
  std::vector<TRecord> log;
  auto doomed = std::make_unique<TTestWindow>(&log);
  TTestWindow survivor(&log);
  PostMessage(doomed->Handle(), WM_USER, 1, 0);
  PostMessage(survivor.Handle(), WM_USER, 2, 0);
  const HWND dead = doomed->Handle();
  doomed.reset();
  TTestWindow newcomer(&log);  // may reuse the slot
  ProcessPostedMessages();
  EXPECT_EQ(log, (std::vector<TRecord>{{WM_USER, 2, 0}}));
  EXPECT_FALSE(PostMessage(dead, WM_USER, 3, 0));
  EXPECT_EQ(PostedMessageCount(), 0);
}

TEST_F(WinUserTest, PeekMessageFiltersByWindowAndRangeAndCanLeaveTheMessage) {
  TTestWindow a, b;
  PostMessage(a.Handle(), WM_USER, 1, 0);
  PostMessage(b.Handle(), WM_CHAR, u'x', 0);
  PostMessage(a.Handle(), WM_CHAR, u'y', 0);
  MSG msg{};
  ASSERT_TRUE(PeekMessage(&msg, a.Handle(), WM_CHAR, WM_CHAR, PM_NOREMOVE));
  EXPECT_EQ(msg.wParam, WPARAM(u'y'));
  EXPECT_EQ(PostedMessageCount(), 3);
  ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_CHAR, WM_CHAR, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, b.Handle());
  EXPECT_FALSE(PeekMessage(&msg, b.Handle(), 0, 0, PM_NOREMOVE));
  EXPECT_EQ(DispatchMessage(&msg), 0);
  EXPECT_EQ(b.Log().size(), 1u);
  EXPECT_EQ(ProcessPostedMessages(), 2);
}

TEST_F(WinUserTest, ThreadMessagesReachTheHook) {
  std::vector<UINT> seen;
  SetThreadMessageHook([&](const MSG& m) { seen.push_back(m.message); });
  PostThreadMessage(WM_APP + 5, 0, 0);
  ProcessPostedMessages();
  SetThreadMessageHook(nullptr);
  EXPECT_EQ(seen, std::vector<UINT>{WM_APP + 5});
}

TEST_F(WinUserTest, RegisteredMessagesShareTheIdOfTheSameName) {
  const UINT a = RegisterWindowMessage(QStringLiteral("TallowfinchTest.GridEditDone"));
  const UINT b = RegisterWindowMessage(u"tallowfinchtest.grideditdone");
  const UINT c = RegisterWindowMessage(QStringLiteral("TallowfinchTest.Other"));
  EXPECT_GE(a, MAXREGISTEREDMESSAGE_FIRST);
  EXPECT_LE(a, MAXREGISTEREDMESSAGE_LAST);
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
  EXPECT_EQ(RegisterWindowMessage(QString()), 0u);
}

TEST_F(WinUserTest, ExceptionsFromPostedMessagesGoToTheHandler) {
  TTestWindow w;
  w.OnMessage = [](UINT, WPARAM, LPARAM) -> LRESULT { throw EInvalidOperation("boom"); };
  QString caught;
  SetExceptionHandler([&](std::exception_ptr e) {
    try {
      std::rethrow_exception(e);
    } catch (const Exception& ex) {
      caught = ex.Message();
    }
  });
  PostMessage(w.Handle(), WM_USER, 0, 0);
  EXPECT_NO_THROW(ProcessPostedMessages());
  EXPECT_EQ(caught, QStringLiteral("boom"));
  EXPECT_THROW(SendMessage(w.Handle(), WM_USER, 0, 0), EInvalidOperation);
}

// --- timers and the clock ---------------------------------------------------

TEST_F(WinUserTest, TickCountReadsTheManualClock) {
  const DWORD start = GetTickCount();
  EXPECT_EQ(start, 5000u);
  TScheduler::Instance().Advance(250);
  EXPECT_EQ(GetTickCount(), 5250u);
  EXPECT_EQ(GetTickCount64(), 5250u);
}

TEST_F(WinUserTest, WindowTimersTickUnderTheManualClock) {
  TTestWindow w;
  std::vector<DWORD> ticks;
  w.OnMessage = [&](UINT msg, WPARAM id, LPARAM) {
    if (msg == WM_TIMER && id == 111) ticks.push_back(GetTickCount());
    return LRESULT(0);
  };
  EXPECT_EQ(SetTimer(w.Handle(), 111, 500, nullptr), 111u);
  TScheduler::Instance().Advance(499);
  EXPECT_TRUE(ticks.empty());
  TScheduler::Instance().Advance(1);
  TScheduler::Instance().Advance(1000);
  EXPECT_EQ(ticks, (std::vector<DWORD>{5500, 6000, 6500}));
  // Setting the same id again restarts it from now.
  SetTimer(w.Handle(), 111, 100, nullptr);
  TScheduler::Instance().Advance(100);
  EXPECT_EQ(ticks.back(), 6600u);
  EXPECT_TRUE(KillTimer(w.Handle(), 111));
  EXPECT_FALSE(KillTimer(w.Handle(), 111));
  TScheduler::Instance().Advance(1000);
  EXPECT_EQ(ticks.size(), 4u);
}

TEST_F(WinUserTest, TimersInterleaveInTimeOrderAndClampTheInterval) {
  std::vector<std::pair<UINT_PTR, DWORD>> ticks;
  TTestWindow w;
  w.OnMessage = [&](UINT msg, WPARAM id, LPARAM) {
    if (msg == WM_TIMER) ticks.push_back({id, GetTickCount()});
    return LRESULT(0);
  };
  SetTimer(w.Handle(), 1, 30, nullptr);
  SetTimer(w.Handle(), 2, 1, nullptr);  // clamped to 10 ms
  TScheduler::Instance().Advance(30);
  const std::vector<std::pair<UINT_PTR, DWORD>> expected = {{2, 5010}, {2, 5020}, {1, 5030}, {2, 5030}};
  EXPECT_EQ(ticks, expected);
}

TEST_F(WinUserTest, TimersDieWithTheirWindowAndPostedMessagesRunBeforeEachTick) {
  std::vector<TRecord> log;
  auto w = std::make_unique<TTestWindow>(&log);
  w->OnMessage = [&](UINT msg, WPARAM, LPARAM) {
    if (msg == WM_TIMER) PostMessage(w->Handle(), WM_USER, 7, 0);
    return LRESULT(0);
  };
  SetTimer(w->Handle(), 9, 100, nullptr);
  TScheduler::Instance().Advance(200);
  EXPECT_EQ(log, (std::vector<TRecord>{{WM_TIMER, 9, 0}, {WM_USER, 7, 0}, {WM_TIMER, 9, 0}}));
  const int active = TScheduler::Instance().ActiveCount();
  w.reset();
  EXPECT_EQ(TScheduler::Instance().ActiveCount(), active - 1);
}

TEST_F(WinUserTest, ATimerCanStopItselfAndExceptionsDoNotStopTheClock) {
  int calls = 0;
  TScheduler::TTimerId id = 0;
  id = TScheduler::Instance().Start(10, [&] {
    ++calls;
    if (calls == 2) TScheduler::Instance().Stop(id);
    throw std::runtime_error("tick failed");
  });
  SetExceptionHandler([](std::exception_ptr) {});
  EXPECT_EQ(TScheduler::Instance().Advance(100), 2);
  EXPECT_EQ(calls, 2);
  EXPECT_FALSE(TScheduler::Instance().IsActive(id));
}

TEST_F(WinUserTest, ThreadTimersCallTheirProcedure) {
  static int calls;
  calls = 0;
  const UINT_PTR id = SetTimer(nullptr, 0, 20, [](HWND, UINT msg, UINT_PTR, DWORD) {
    if (msg == WM_TIMER) ++calls;
  });
  EXPECT_NE(id, 0u);
  TScheduler::Instance().Advance(60);
  EXPECT_EQ(calls, 3);
  EXPECT_TRUE(KillTimer(nullptr, id));
}

// --- input state ------------------------------------------------------------

TEST_F(WinUserTest, KeyStateTracksGenericAndSidedKeys) {
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);
  SetInputKeyState(VK_SHIFT, true);
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);
  EXPECT_LT(GetKeyState(VK_LSHIFT), 0);
  EXPECT_GE(GetKeyState(VK_RSHIFT), 0);
  SetInputKeyState(VK_RMENU, true);
  EXPECT_LT(GetKeyState(VK_MENU), 0);
  EXPECT_GE(GetKeyState(VK_LMENU), 0);
  SetInputKeyState(VK_RMENU, false);
  EXPECT_GE(GetKeyState(VK_MENU), 0);
  SetInputKeyState(VK_SHIFT, false);
  EXPECT_GE(GetKeyState(VK_LSHIFT), 0);
  EXPECT_EQ(GetAsyncKeyState(VK_SHIFT), 0);
  // The low bit toggles with each press.
  const int toggled = GetKeyState(VK_CAPITAL) & 1;
  SetInputKeyState(VK_CAPITAL, true);
  SetInputKeyState(VK_CAPITAL, false);
  EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, toggled ^ 1);
  EXPECT_EQ(GetKeyState(-1), 0);
  EXPECT_EQ(GetKeyState(300), 0);
}

TEST_F(WinUserTest, CaptureNotifiesTheWindowLosingIt) {
  TTestWindow a, b;
  EXPECT_EQ(SetCapture(a.Handle()), nullptr);
  EXPECT_EQ(GetCapture(), a.Handle());
  EXPECT_EQ(SetCapture(b.Handle()), a.Handle());
  ASSERT_FALSE(a.Log().empty());
  EXPECT_EQ(a.Log().back(), (TRecord{WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(b.Handle())}));
  ReleaseCapture();
  EXPECT_EQ(b.Log().back(), (TRecord{WM_CAPTURECHANGED, 0, 0}));
  EXPECT_EQ(GetCapture(), nullptr);
  SetCapture(a.Handle());
  a.Destroy();
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WinUserTest, InvalidateReachesTheWindowAndTheHook) {
  TTestWindow w;
  std::vector<RECT> seen;
  SetInvalidateHook([&](HWND h, const RECT* r) { seen.push_back(r ? *r : RECT{-1, -1, -1, -1}); });
  RECT r{1, 2, 3, 4};
  EXPECT_TRUE(InvalidateRect(w.Handle(), &r, TRUE));
  EXPECT_TRUE(InvalidateRect(w.Handle(), nullptr, FALSE));
  w.Destroy();
  EXPECT_FALSE(InvalidateRect(w.Handle(), nullptr, FALSE));
  SetInvalidateHook(nullptr);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].right, 3);
  EXPECT_EQ(seen[1].left, -1);
  EXPECT_EQ(w.Invalidations, 2);
}

TEST_F(WinUserTest, MessageNamesForLogs) {
  EXPECT_EQ(MessageName(WM_KEYDOWN), QStringLiteral("WM_KEYDOWN"));
  EXPECT_EQ(MessageName(CM_ENTER), QStringLiteral("CM_ENTER"));
  EXPECT_EQ(MessageName(CN_COMMAND), QStringLiteral("CN_COMMAND"));
  EXPECT_EQ(MessageName(0xC012), QStringLiteral("0xC012"));
}

}  // namespace
