#pragma once
// TThread with the framework's semantics: a worker thread whose Execute runs
// on its own OS thread, with calls synchronised into the main (user-interface)
// thread, self-freeing threads and termination requests.
//
// Synchronised and queued calls wait in one process-wide list. The main thread
// runs them from CheckSynchronize, which the Qt event loop calls on its own
// (each new entry posts a queued invocation to the application object), and
// which WaitFor on the main thread calls while it waits, so a worker that
// synchronises while the main thread waits for it cannot deadlock.
//
// A thread that is not created suspended starts once it is fully constructed.
// C++ gives a base class no hook after the derived constructors, so such a
// thread is made with TThread::Create<T>(...) (or the creator calls
// AfterConstruction itself):
//
//   auto* worker = TThread::Create<TMyThread>(/* CreateSuspended */ false);
//
// Execute must not use members of a derived class once the derived destructor
// has run: a derived class whose Execute touches its own members stops the
// thread in its own destructor (Terminate(); WaitFor();) when it can be deleted
// while running. The base destructor terminates and waits as a last resort.

#include <atomic>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/rtl/System.h"

using TThreadID = Cardinal;

class TThread : public TObject {
 public:
  explicit TThread(bool CreateSuspended = false);
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;
  // Deleting a running thread sets Terminated and waits for it to end.
  ~TThread() override;

  // Makes a thread object and starts it unless it was created suspended. The
  // object is the caller's unless it frees itself on termination; a started
  // self-freeing thread may already be gone when this returns.
  template <class T, class... Args>
  static T* Create(Args&&... args) {
    T* thread = new T(std::forward<Args>(args)...);
    thread->AfterConstruction();
    return thread;
  }

  // Starts a thread that was not created suspended (once; later calls do nothing).
  void AfterConstruction() override;
  // Starts a thread created suspended; raises EThread when it already runs or ran.
  void Start();
  // Asks Execute to finish: sets Terminated, which Execute polls.
  void Terminate();
  bool Terminated() const { return FTerminated.load(); }
  // Waits until the thread has ended (Execute and OnTerminate done) and
  // returns ReturnValue. On the main thread the wait runs synchronised calls.
  // Raises EThread for a thread not started, a self-freeing thread, or a
  // thread waiting for itself.
  int WaitFor();

  // Execute and OnTerminate are over.
  bool Finished() const { return FFinished.load(); }
  // Not started yet.
  bool Suspended() const { return !FStarted.load(); }
  // Kernel id of the thread; 0 before Start.
  TThreadID ThreadID() const { return FThreadID.load(); }
  // The object deletes itself on its own thread after Execute and OnTerminate.
  bool FreeOnTerminate() const { return FFreeOnTerminate.load(); }
  void SetFreeOnTerminate(bool value) { FFreeOnTerminate = value; }
  // The exception that escaped Execute (null when none); kept, not raised.
  std::exception_ptr FatalException() const;

  // Runs on the main thread once Execute has returned. Sender is the thread.
  std::function<void(TObject* Sender)> OnTerminate;

  // Runs AMethod on the main thread and waits for it; runs it directly when
  // called on the main thread. An exception AMethod raises is raised again in
  // the calling thread. AThread may be null.
  static void Synchronize(TThread* AThread, std::function<void()> AMethod);
  // Runs AMethod later on the main thread without waiting; runs it directly
  // when called on the main thread.
  static void Queue(TThread* AThread, std::function<void()> AMethod);
  // Like Queue, but always later, also from the main thread.
  static void ForceQueue(TThread* AThread, std::function<void()> AMethod);
  // Drops the queued (not yet run) calls of AThread.
  static void RemoveQueuedEvents(TThread* AThread);

  static bool IsMainThread();
  static TThreadID MainThreadID();
  static TThreadID CurrentThreadID();

  // The exceptions of queued calls that the event loop or a wait ran (nothing
  // may be thrown through the Qt event loop) take the one application route,
  // ApplicationHandleException (SysUtils.h), which the application object
  // sets when it is created. This sets that same handler.
  static void SetQueuedExceptionHandler(std::function<void(std::exception_ptr)> handler);

 protected:
  virtual void Execute() = 0;
  // Calls OnTerminate through Synchronize when it is assigned.
  virtual void DoTerminate();

  void Synchronize(std::function<void()> AMethod) { Synchronize(this, std::move(AMethod)); }
  void Queue(std::function<void()> AMethod) { Queue(this, std::move(AMethod)); }

  int ReturnValue() const { return FReturnValue.load(); }
  void SetReturnValue(int value) { FReturnValue = value; }

 private:
  static void ThreadProc(TThread* self);
  void WaitUntilFinished();

  std::thread FThread;
  std::mutex FJoinLock;
  std::mutex FStartLock;
  std::atomic<bool> FCreateSuspended;
  std::atomic<bool> FStarted{false};
  std::atomic<bool> FTerminated{false};
  std::atomic<bool> FFinished{false};
  std::atomic<bool> FFreeOnTerminate{false};
  std::atomic<bool> FDestroying{false};
  std::atomic<TThreadID> FThreadID{0};
  std::atomic<int> FReturnValue{0};
  std::exception_ptr FFatalException;
};

// Runs the pending synchronised and queued calls; call it on the main thread.
// Waits up to Timeout milliseconds for a first call when none is pending.
// Returns true when a call ran. A queued call's exception is raised here (the
// calls behind it stay pending); raises EThread off the main thread.
bool CheckSynchronize(int Timeout = 0);
