#include <gtest/gtest.h>

#include <QCoreApplication>
#include <atomic>
#include <chrono>
#include <memory>

#include "platform/rtl/SyncObjs.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Threads.h"
#include "tests/support/TestSupport.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A thread whose Execute runs a function given by the test.
class TTestThread : public TThread {
 public:
  using TBody = std::function<void(TTestThread&)>;
  TTestThread(bool createSuspended, TBody body)
      : TThread(createSuspended), FBody(std::move(body)) {}
  ~TTestThread() override {
    Terminate();
    if (!Suspended() && !FreeOnTerminate() && TThread::CurrentThreadID() != ThreadID()) WaitFor();
    if (OnDestroy) OnDestroy();
  }
  std::function<void()> OnDestroy;
  using TThread::Queue;
  using TThread::SetReturnValue;
  using TThread::Synchronize;

 protected:
  void Execute() override { FBody(*this); }

 private:
  TBody FBody;
};

// Waits for a condition with a bound, running synchronised calls meanwhile.
template <class Pred>
bool PumpUntil(Pred pred, std::chrono::milliseconds limit = 2000ms) {
  const auto end = Clock::now() + limit;
  while (!pred()) {
    if (Clock::now() > end) return false;
    CheckSynchronize(5);
    QCoreApplication::processEvents();
  }
  return true;
}

QString MessageOf(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const Exception& e) {
    return e.ClassName() + QStringLiteral(": ") + e.Message();
  } catch (...) {
    return QStringLiteral("?");
  }
}

}  // namespace

TEST(TThreadTest, SuspendedThreadRunsOnStartAndWaitForGivesTheReturnValue) {
  std::atomic<TThreadID> ranOn{0};
  TTestThread thread(true, [&](TTestThread& self) {
    ranOn = TThread::CurrentThreadID();
    self.SetReturnValue(42);
  });
  EXPECT_TRUE(thread.Suspended());
  EXPECT_EQ(thread.ThreadID(), 0u);
  EXPECT_THROW(thread.WaitFor(), EThread);  // never started
  thread.Start();
  EXPECT_EQ(thread.WaitFor(), 42);
  EXPECT_TRUE(thread.Finished());
  EXPECT_FALSE(thread.FatalException());
  EXPECT_EQ(ranOn.load(), thread.ThreadID());
  EXPECT_NE(thread.ThreadID(), TThread::MainThreadID());
  EXPECT_TRUE(TThread::IsMainThread());
  EXPECT_THROW(thread.Start(), EThread);  // ran already
}

TEST(TThreadTest, ThreadCreatedRunningStartsOnceConstructed) {
  std::atomic<bool> ran{false};
  std::unique_ptr<TTestThread> thread(
      TThread::Create<TTestThread>(false, [&](TTestThread&) { ran = true; }));
  EXPECT_FALSE(thread->Suspended());
  thread->WaitFor();
  EXPECT_TRUE(ran);
  EXPECT_THROW(thread->Start(), EThread);
}

TEST(TThreadTest, TerminateEndsAPollingExecute) {
  std::atomic<int> rounds{0};
  TTestThread thread(true, [&](TTestThread& self) {
    while (!self.Terminated()) {
      ++rounds;
      std::this_thread::sleep_for(1ms);
    }
  });
  thread.Start();
  ASSERT_TRUE(PumpUntil([&] { return rounds > 0; }));
  thread.Terminate();
  EXPECT_TRUE(thread.Terminated());
  thread.WaitFor();
  EXPECT_TRUE(thread.Finished());
}

TEST(TThreadTest, TerminatedBeforeStartSkipsExecute) {
  std::atomic<bool> ran{false};
  TTestThread thread(true, [&](TTestThread&) { ran = true; });
  thread.Terminate();
  thread.Start();
  thread.WaitFor();
  EXPECT_FALSE(ran);
}

TEST(TThreadTest, SynchronizeRunsOnTheMainThreadWhileItWaitsInWaitFor) {
  std::atomic<int> onMain{0};
  TTestThread thread(true, [&](TTestThread& self) {
    for (int i = 0; i < 3; ++i)
      self.Synchronize([&] {
        if (TThread::IsMainThread()) ++onMain;
      });
  });
  thread.Start();
  thread.WaitFor();  // would deadlock if it did not run the calls
  EXPECT_EQ(onMain.load(), 3);
}

TEST(TThreadTest, SynchronizeOnTheMainThreadRunsDirectly) {
  bool ran = false;
  TThread::Synchronize(nullptr, [&] { ran = true; });
  EXPECT_TRUE(ran);
  EXPECT_FALSE(CheckSynchronize());  // nothing was left pending
}

TEST(TThreadTest, ExceptionInsideSynchronizeIsRaisedInTheCallingThread) {
  QString caught;
  TTestThread thread(true, [&](TTestThread& self) {
    try {
      self.Synchronize([] { throw EConvertError("bad input"); });
    } catch (const EConvertError& e) {
      caught = e.ClassName() + QStringLiteral(": ") + e.Message() +
               (TThread::IsMainThread() ? QStringLiteral(" (main)") : QStringLiteral(" (worker)"));
    }
  });
  thread.Start();
  thread.WaitFor();
  EXPECT_EQ(caught, "EConvertError: bad input (worker)");
}

TEST(TThreadTest, QueuedCallsRunLaterThroughTheEventLoopOrCheckSynchronize) {
  std::atomic<int> first{0};
  std::atomic<int> second{0};
  TEvent queued(false, false);
  TTestThread thread(true, [&](TTestThread& self) {
    self.Queue([&] { first = TThread::IsMainThread() ? 1 : -1; });
    queued.SetEvent();
  });
  thread.Start();
  ASSERT_EQ(queued.WaitFor(2000), wrSignaled);
  EXPECT_EQ(first.load(), 0);  // the worker did not wait, nothing ran yet
  ASSERT_TRUE(PumpUntil([&] { return first != 0; }));
  EXPECT_EQ(first.load(), 1);
  thread.WaitFor();

  // From the main thread Queue runs at once and ForceQueue later.
  TThread::Queue(nullptr, [&] { second = 1; });
  EXPECT_EQ(second.load(), 1);
  TThread::ForceQueue(nullptr, [&] { second = 2; });
  EXPECT_EQ(second.load(), 1);
  EXPECT_TRUE(CheckSynchronize());
  EXPECT_EQ(second.load(), 2);
}

TEST(TThreadTest, CheckSynchronizeRaisesAQueuedExceptionAndKeepsTheRest) {
  bool later = false;
  TThread::ForceQueue(nullptr, [] { throw EAbort("queued failure"); });
  TThread::ForceQueue(nullptr, [&] { later = true; });
  EXPECT_THROW(CheckSynchronize(), EAbort);
  EXPECT_FALSE(later);
  EXPECT_TRUE(CheckSynchronize());
  EXPECT_TRUE(later);
}

TEST(TThreadTest, QueuedExceptionsFromTheEventLoopGoToTheHandler) {
  QString handled;
  TThread::SetQueuedExceptionHandler([&](std::exception_ptr e) { handled = MessageOf(e); });
  TThread::ForceQueue(nullptr, [] { throw EAbort("from the loop"); });
  EXPECT_TRUE(PumpUntil([&] {
    QCoreApplication::processEvents();
    return !handled.isEmpty();
  }));
  TThread::SetQueuedExceptionHandler(nullptr);
  EXPECT_EQ(handled, "EAbort: from the loop");
}

TEST(TThreadTest, CheckSynchronizeOutsideTheMainThreadRaises) {
  QString caught;
  TTestThread thread(true, [&](TTestThread&) {
    try {
      CheckSynchronize();
    } catch (const EThread& e) {
      caught = e.Message();
    }
  });
  thread.Start();
  thread.WaitFor();
  EXPECT_TRUE(caught.startsWith("CheckSynchronize called from thread $")) << caught.toStdString();
}

TEST(TThreadTest, OnTerminateRunsOnTheMainThreadBeforeFinished) {
  bool onMain = false;
  bool finishedThen = true;
  TObject* sender = nullptr;
  TTestThread thread(true, [](TTestThread&) {});
  thread.OnTerminate = [&](TObject* s) {
    onMain = TThread::IsMainThread();
    finishedThen = thread.Finished();
    sender = s;
  };
  thread.Start();
  thread.WaitFor();
  EXPECT_TRUE(onMain);
  EXPECT_FALSE(finishedThen);
  EXPECT_EQ(sender, &thread);
}

TEST(TThreadTest, ExceptionEscapingExecuteIsKeptAsFatalException) {
  bool terminated = false;
  TTestThread thread(true, [](TTestThread&) { throw EInOutError("disk gone"); });
  thread.OnTerminate = [&](TObject*) { terminated = true; };
  thread.Start();
  thread.WaitFor();
  EXPECT_TRUE(terminated);
  ASSERT_TRUE(thread.FatalException());
  EXPECT_EQ(MessageOf(thread.FatalException()), "EInOutError: disk gone");
}

TEST(TThreadTest, FreeOnTerminateDeletesTheThreadAfterOnTerminate) {
  std::atomic<bool> destroyed{false};
  std::atomic<bool> terminatedFirst{false};
  TEvent release;
  auto* thread = TThread::Create<TTestThread>(true, [&](TTestThread&) { release.WaitFor(2000); });
  thread->SetFreeOnTerminate(true);
  thread->OnTerminate = [&](TObject*) { terminatedFirst = !destroyed; };
  thread->OnDestroy = [&] { destroyed = true; };
  thread->Start();
  EXPECT_THROW(thread->WaitFor(), EThread);  // it would free itself under the wait
  release.SetEvent();
  // From here the object is gone or about to be: only the flags are read.
  EXPECT_TRUE(PumpUntil([&] { return destroyed.load(); }));
  EXPECT_TRUE(terminatedFirst);
}

TEST(TThreadTest, DeletingARunningThreadTerminatesAndWaits) {
  std::atomic<bool> sawTerminated{false};
  std::atomic<bool> running{false};
  auto thread = std::make_unique<TTestThread>(true, [&](TTestThread& self) {
    running = true;
    while (!self.Terminated()) std::this_thread::sleep_for(1ms);
    sawTerminated = true;
  });
  thread->Start();
  ASSERT_TRUE(PumpUntil([&] { return running.load(); }));
  thread.reset();
  EXPECT_TRUE(sawTerminated);
}

TEST(TThreadTest, DeletingANeverStartedThreadRunsNothing) {
  std::atomic<bool> ran{false};
  {
    TTestThread thread(true, [&](TTestThread&) { ran = true; });
  }
  EXPECT_FALSE(ran);
}

TEST(TThreadTest, AThreadCannotWaitForItself) {
  QString caught;
  TTestThread thread(true, [&](TTestThread& self) {
    try {
      self.WaitFor();
    } catch (const EThread& e) {
      caught = e.Message();
    }
  });
  thread.Start();
  thread.WaitFor();
  EXPECT_EQ(caught, RtlConsts::SThreadWaitForSelf);
}

TEST(TThreadTest, QueuedCallsOfADeletedThreadAreDropped) {
  std::atomic<bool> ran{false};
  {
    TTestThread thread(true, [&](TTestThread& self) { self.Queue([&] { ran = true; }); });
    thread.Start();
    // Wait without running synchronised calls, then delete the thread.
    while (!thread.Finished()) std::this_thread::sleep_for(1ms);
  }
  CheckSynchronize();
  QCoreApplication::processEvents();
  EXPECT_FALSE(ran);
}

// ---------------------------------------------------------------------------

TEST(TEventTest, ResetModeAndInitialStateDecideTheWaits) {
  struct Case {
    bool manualReset;
    bool initialState;
    TWaitResult first;
    TWaitResult second;
  };
  const Case cases[] = {
      {true, true, wrSignaled, wrSignaled},
      {true, false, wrTimeout, wrTimeout},
      {false, true, wrSignaled, wrTimeout},
      {false, false, wrTimeout, wrTimeout},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "manual " << c.manualReset << " initial " << c.initialState);
    TEvent event(c.manualReset, c.initialState);
    EXPECT_EQ(event.WaitFor(0), c.first);
    EXPECT_EQ(event.WaitFor(0), c.second);
    event.SetEvent();
    EXPECT_EQ(event.WaitFor(0), wrSignaled);
    event.ResetEvent();
    EXPECT_EQ(event.WaitFor(0), wrTimeout);
  }
}

TEST(TEventTest, WaitForTimesOutAfterTheGivenTime) {
  TSimpleEvent event;
  EXPECT_TRUE(event.ManualReset());
  const auto start = Clock::now();
  EXPECT_EQ(event.WaitFor(300), wrTimeout);
  const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
  EXPECT_GE(waited.count(), 290);
  EXPECT_LT(waited.count(), 2000);
}

TEST(TEventTest, SetEventReleasesAWaiterOnAnotherThread) {
  TEvent event(false, false);
  std::atomic<int> result{-1};
  std::thread waiter([&] { result = event.WaitFor(2000); });
  std::this_thread::sleep_for(20ms);
  event.SetEvent();
  waiter.join();
  EXPECT_EQ(result.load(), wrSignaled);
  EXPECT_EQ(event.WaitFor(0), wrTimeout);  // auto reset consumed the signal
}

TEST(TEventTest, AutoResetReleasesOneWaiterPerSignal) {
  TEvent event(false, false);
  std::atomic<int> signaled{0};
  std::atomic<int> timedOut{0};
  auto wait = [&] { (event.WaitFor(300) == wrSignaled ? signaled : timedOut)++; };
  std::thread a(wait);
  std::thread b(wait);
  std::this_thread::sleep_for(30ms);
  event.SetEvent();
  a.join();
  b.join();
  EXPECT_EQ(signaled.load(), 1);
  EXPECT_EQ(timedOut.load(), 1);
}

TEST(TEventTest, NamedEventsAreRefused) {
  EXPECT_NO_THROW(TEvent(nullptr, true, false, QString()));
  EXPECT_THROW(TEvent(nullptr, true, false, QStringLiteral("Global\\Shared")),
               ENotSupportedException);
}

TEST(TCriticalSectionTest, IsRecursiveForItsOwnerAndExcludesOthers) {
  TCriticalSection section;
  section.Enter();
  section.Acquire();  // the owner may enter again
  auto otherThreadEnters = [&] {
    bool entered = false;
    std::thread other([&] {
      entered = section.TryEnter();
      if (entered) section.Leave();
    });
    other.join();
    return entered;
  };
  EXPECT_FALSE(otherThreadEnters());
  section.Release();
  EXPECT_FALSE(otherThreadEnters());  // still held once
  section.Leave();
  EXPECT_TRUE(otherThreadEnters());
  EXPECT_EQ(section.WaitFor(0), wrSignaled);
  section.Leave();
}
