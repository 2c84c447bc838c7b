#include "platform/rtl/Threads.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QMetaObject>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <future>
#include <memory>

#include "platform/rtl/LogCategories.h"
#include "platform/rtl/MessageText.h"
#include "platform/rtl/SysUtils.h"

namespace {

// One synchronised (Waits) or queued call.
struct TSyncCall {
  TThread* Owner = nullptr;
  std::function<void()> Method;
  bool Waits = false;
  bool Done = false;
  std::exception_ptr Error;
};

// Guards the call list, the calls' Done flags and every thread's Finished
// transition; SyncChanged announces all three.
std::mutex& SyncLock() {
  static std::mutex lock;
  return lock;
}
std::condition_variable& SyncChanged() {
  static std::condition_variable changed;
  return changed;
}
std::deque<std::shared_ptr<TSyncCall>>& SyncList() {
  static std::deque<std::shared_ptr<TSyncCall>> list;
  return list;
}
bool gWakePosted = false;  // guarded by SyncLock

void HandleQueuedException(std::exception_ptr error) { ApplicationHandleException(error); }

bool ProcessSyncList(bool raiseQueued);

// Makes the Qt event loop of the main thread run the pending calls. One
// invocation is outstanding at a time; it clears the flag before running.
void WakeMainThread() {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return;
  {
    std::lock_guard<std::mutex> guard(SyncLock());
    if (gWakePosted) return;
    gWakePosted = true;
  }
  QMetaObject::invokeMethod(
      app,
      [] {
        {
          std::lock_guard<std::mutex> guard(SyncLock());
          gWakePosted = false;
        }
        ProcessSyncList(false);
      },
      Qt::QueuedConnection);
}

void Enqueue(const std::shared_ptr<TSyncCall>& call) {
  {
    std::lock_guard<std::mutex> guard(SyncLock());
    SyncList().push_back(call);
  }
  SyncChanged().notify_all();
  WakeMainThread();
}

// Runs the pending calls on the main thread, one at a time so a call may
// queue or synchronise further calls. A waiting caller gets its call's
// exception back; a queued call's exception is raised (raiseQueued) or handed
// to the queued-exception handler.
bool ProcessSyncList(bool raiseQueued) {
  bool ran = false;
  for (;;) {
    std::shared_ptr<TSyncCall> call;
    {
      std::lock_guard<std::mutex> guard(SyncLock());
      if (SyncList().empty()) break;
      call = SyncList().front();
      SyncList().pop_front();
    }
    ran = true;
    std::exception_ptr queuedError;
    try {
      call->Method();
    } catch (...) {
      if (call->Waits)
        call->Error = std::current_exception();
      else
        queuedError = std::current_exception();
    }
    if (call->Waits) {
      {
        std::lock_guard<std::mutex> guard(SyncLock());
        call->Done = true;
      }
      SyncChanged().notify_all();
    }
    if (queuedError) {
      if (raiseQueued) {
        WakeMainThread();  // the calls behind this one still run
        std::rethrow_exception(queuedError);
      }
      HandleQueuedException(queuedError);
    }
  }
  return ran;
}

}  // namespace

// ---------------------------------------------------------------------------

TThread::TThread(bool CreateSuspended) : FCreateSuspended(CreateSuspended) {}

TThread::~TThread() {
  RemoveQueuedEvents(this);
  if (!FStarted.load()) return;
  if (std::this_thread::get_id() == FThread.get_id()) {
    // Deleted by its own thread (FreeOnTerminate, or from Execute).
    FThread.detach();
    return;
  }
  FDestroying = true;
  Terminate();
  try {
    WaitUntilFinished();
  } catch (...) {
    HandleQueuedException(std::current_exception());
  }
  std::lock_guard<std::mutex> guard(FJoinLock);
  if (FThread.joinable()) FThread.join();
  RemoveQueuedEvents(this);
}

void TThread::AfterConstruction() {
  TObject::AfterConstruction();
  bool startNow = false;
  {
    std::lock_guard<std::mutex> guard(FStartLock);
    startNow = !FCreateSuspended.load() && !FStarted.load();
    FCreateSuspended = true;  // once
  }
  if (startNow) Start();
}

void TThread::Start() {
  std::lock_guard<std::mutex> guard(FStartLock);
  if (FStarted.load() || FFinished.load()) throw EThread(RtlConsts::SThreadStartError);
  // The new thread reports its id and then waits at the gate until this
  // object's fields are set: a self-freeing thread may delete the object as
  // soon as the gate opens, so nothing here touches it afterwards.
  std::promise<TThreadID> id;
  std::future<TThreadID> idReady = id.get_future();
  std::promise<void> gate;
  std::shared_future<void> gateOpen = gate.get_future().share();
  try {
    FThread = std::thread([this, id = std::move(id), gateOpen]() mutable {
      id.set_value(static_cast<TThreadID>(::gettid()));
      gateOpen.wait();
      ThreadProc(this);
    });
  } catch (const std::system_error& e) {
    throw EThread(MessageText(RtlConsts::SThreadCreateError, {QString::fromLocal8Bit(e.what())}));
  }
  FThreadID = idReady.get();
  FStarted = true;
  gate.set_value();
}

void TThread::ThreadProc(TThread* self) {
  if (!self->Terminated()) {
    try {
      self->Execute();
    } catch (...) {
      self->FFatalException = std::current_exception();
    }
  }
  try {
    self->DoTerminate();
  } catch (...) {
    if (!self->FFatalException) self->FFatalException = std::current_exception();
  }
  bool freeThread = false;
  {
    std::lock_guard<std::mutex> guard(SyncLock());
    freeThread = self->FFreeOnTerminate.load() && !self->FDestroying.load();
    self->FFinished = true;
  }
  SyncChanged().notify_all();
  if (freeThread) delete self;  // ownership: a self-freeing thread owns itself
}

void TThread::DoTerminate() {
  if (OnTerminate) Synchronize(this, [this] { OnTerminate(this); });
}

void TThread::Terminate() { FTerminated = true; }

std::exception_ptr TThread::FatalException() const {
  // Written by the thread before Finished turns true.
  return FFinished.load() ? FFatalException : std::exception_ptr();
}

void TThread::WaitUntilFinished() {
  const bool onMainThread = IsMainThread();
  std::unique_lock<std::mutex> lock(SyncLock());
  while (!FFinished.load()) {
    if (onMainThread && !SyncList().empty()) {
      lock.unlock();
      ProcessSyncList(false);
      lock.lock();
      continue;
    }
    SyncChanged().wait(lock);
  }
}

int TThread::WaitFor() {
  if (FStarted.load() && std::this_thread::get_id() == FThread.get_id())
    throw EThread(RtlConsts::SThreadWaitForSelf);
  if (!FStarted.load()) throw EThread(RtlConsts::SThreadNotStarted);
  if (FFreeOnTerminate.load()) throw EThread(RtlConsts::SThreadWaitFreeOnTerminate);
  WaitUntilFinished();
  {
    std::lock_guard<std::mutex> guard(FJoinLock);
    if (FThread.joinable()) FThread.join();
  }
  return FReturnValue.load();
}

// ---------------------------------------------------------------------------

void TThread::Synchronize(TThread* AThread, std::function<void()> AMethod) {
  if (!AMethod) return;
  if (IsMainThread()) {
    AMethod();
    return;
  }
  auto call = std::make_shared<TSyncCall>();
  call->Owner = AThread;
  call->Method = std::move(AMethod);
  call->Waits = true;
  Enqueue(call);
  {
    std::unique_lock<std::mutex> lock(SyncLock());
    SyncChanged().wait(lock, [&] { return call->Done; });
  }
  if (call->Error) std::rethrow_exception(call->Error);
}

void TThread::Queue(TThread* AThread, std::function<void()> AMethod) {
  if (!AMethod) return;
  if (IsMainThread()) {
    AMethod();
    return;
  }
  ForceQueue(AThread, std::move(AMethod));
}

void TThread::ForceQueue(TThread* AThread, std::function<void()> AMethod) {
  if (!AMethod) return;
  auto call = std::make_shared<TSyncCall>();
  call->Owner = AThread;
  call->Method = std::move(AMethod);
  Enqueue(call);
}

void TThread::RemoveQueuedEvents(TThread* AThread) {
  std::lock_guard<std::mutex> guard(SyncLock());
  auto& list = SyncList();
  // Synchronised calls stay: their callers wait for them.
  std::erase_if(list, [&](const std::shared_ptr<TSyncCall>& call) {
    return !call->Waits && call->Owner == AThread;
  });
}

bool TThread::IsMainThread() { return ::gettid() == ::getpid(); }

TThreadID TThread::MainThreadID() { return static_cast<TThreadID>(::getpid()); }

TThreadID TThread::CurrentThreadID() { return static_cast<TThreadID>(::gettid()); }

void TThread::SetQueuedExceptionHandler(std::function<void(std::exception_ptr)> handler) {
  SetApplicationHandleException(std::move(handler));
}

bool CheckSynchronize(int Timeout) {
  if (!TThread::IsMainThread())
    throw EThread(MessageText(RtlConsts::SCheckSynchronizeError,
                              {QString::number(TThread::CurrentThreadID(), 16).toUpper()}));
  if (Timeout > 0) {
    std::unique_lock<std::mutex> lock(SyncLock());
    SyncChanged().wait_for(lock, std::chrono::milliseconds(Timeout),
                           [] { return !SyncList().empty(); });
  }
  return ProcessSyncList(true);
}
