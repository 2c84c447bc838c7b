// The one exception route: whatever raises where nothing up the stack can
// take it (a call queued to the main thread, from the main thread or from a
// worker, a guarded handler) reaches Application->OnException, which the
// application installed when it was created.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <thread>

#include "platform/rtl/Threads.h"
#include "platform/vcl/Forms.h"
#include "platform/win32/WinUser.h"

namespace {

// Records OnException while it lives.
class OnExceptionRecorder {
 public:
  OnExceptionRecorder() {
    Application->OnException = [this](TObject* Sender, const Exception& E) {
      Seen << E.Message();
      Senders << Sender;
    };
  }
  ~OnExceptionRecorder() { Application->OnException = nullptr; }
  // Runs the event loop until Count exceptions arrived (or 5 s passed).
  void WaitFor(int Count) {
    QElapsedTimer timer;
    timer.start();
    while (Seen.size() < Count && timer.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  QStringList Seen;
  QList<TObject*> Senders;
};

TEST(ExceptionRoute, AQueuedCallThatRaisesReachesOnException) {
  struct Case {
    const char* Name;
    std::function<void()> Raise;  // makes the call raise "failed <name>" somewhere
  };
  const Case cases[] = {
      {"force-queued on the main thread",
       [] { TThread::ForceQueue(nullptr, [] { throw EConvertError(QStringLiteral("failed force-queued")); }); }},
      {"queued from a worker",
       [] {
         std::thread worker([] { TThread::Queue(nullptr, [] { throw EInvalidOperation(QStringLiteral("failed queued")); }); });
         worker.join();
       }},
      {"a standard exception queued from a worker",
       [] {
         std::thread worker([] { TThread::Queue(nullptr, [] { throw std::runtime_error("failed standard"); }); });
         worker.join();
       }},
      {"guarded", [] { CallGuarded([] { throw EListError(QStringLiteral("failed guarded")); }); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    OnExceptionRecorder recorder;
    c.Raise();
    recorder.WaitFor(1);
    ASSERT_EQ(recorder.Seen.size(), 1);
    EXPECT_TRUE(recorder.Seen[0].startsWith(QStringLiteral("failed "))) << recorder.Seen[0].toStdString();
    EXPECT_EQ(recorder.Senders[0], Application);
  }
}

TEST(ExceptionRoute, TheCallsBehindAFailingOneStillRun) {
  OnExceptionRecorder recorder;
  QStringList ran;
  TThread::ForceQueue(nullptr, [&] { ran << QStringLiteral("first"); });
  TThread::ForceQueue(nullptr, [] { throw Exception(QStringLiteral("second failed")); });
  TThread::ForceQueue(nullptr, [&] { ran << QStringLiteral("third"); });
  recorder.WaitFor(1);
  QElapsedTimer timer;
  timer.start();
  while (ran.size() < 2 && timer.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_EQ(ran, (QStringList{"first", "third"}));
  EXPECT_EQ(recorder.Seen, QStringList{"second failed"});
}

TEST(ExceptionRoute, TheApplicationInstalledTheRouteAndAFailingHandlerIsContained) {
  // The route is the application's own: replacing it and putting it back
  // shows what was installed.
  TExceptionHandler installed = SetApplicationHandleException(nullptr);
  ASSERT_TRUE(installed);
  SetApplicationHandleException(installed);

  Application->OnException = [](TObject*, const Exception&) { throw Exception(QStringLiteral("handler failed")); };
  EXPECT_NO_THROW(ApplicationHandleException(std::make_exception_ptr(Exception(QStringLiteral("x")))));
  EXPECT_NO_THROW(CallGuarded([] { throw Exception(QStringLiteral("y")); }));
  Application->OnException = nullptr;
}

}  // namespace
