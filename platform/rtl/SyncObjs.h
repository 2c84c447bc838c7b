#pragma once
// Synchronisation objects with the framework's semantics: a recursive
// critical section and manual- or auto-reset events with timed waits.

#include <QString>
#include <condition_variable>
#include <mutex>

#include "platform/rtl/System.h"
#include "platform/rtl/WinError.h"

enum TWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError, wrIOCompletion };

// Base of the lockable objects.
class TSynchroObject : public TObject {
 public:
  virtual void Acquire() = 0;
  virtual void Release() = 0;
  // Waits up to Timeout milliseconds (INFINITE: no limit).
  virtual TWaitResult WaitFor(Cardinal Timeout = INFINITE) = 0;
};

// A lock the owning thread may enter again (each Enter needs its Leave),
// like a Windows critical section.
class TCriticalSection : public TSynchroObject {
 public:
  void Acquire() override { FLock.lock(); }
  void Release() override { FLock.unlock(); }
  void Enter() { Acquire(); }
  void Leave() { Release(); }
  // Enters when the section is free or already held by this thread.
  bool TryEnter() { return FLock.try_lock(); }
  // Acquires the section within Timeout milliseconds.
  TWaitResult WaitFor(Cardinal Timeout = INFINITE) override;

 private:
  std::recursive_timed_mutex FLock;
};

// An event object. A manual-reset event stays signalled until ResetEvent and
// releases every waiter; an auto-reset event releases one waiter and turns
// non-signalled again.
class TEvent : public TSynchroObject {
 public:
  explicit TEvent(bool ManualReset = true, bool InitialState = false);
  // The framework's full form. Events are private to the process: a
  // non-empty Name raises ENotSupportedException.
  TEvent(void* EventAttributes, bool ManualReset, bool InitialState, const QString& Name);

  void SetEvent();
  void ResetEvent();
  TWaitResult WaitFor(Cardinal Timeout = INFINITE) override;
  // Acquire waits without limit; Release signals.
  void Acquire() override { WaitFor(INFINITE); }
  void Release() override { SetEvent(); }
  bool ManualReset() const { return FManualReset; }

 private:
  std::mutex FLock;
  std::condition_variable FChanged;
  bool FManualReset;
  bool FSignaled;
};

// A manual-reset event, initially non-signalled.
class TSimpleEvent : public TEvent {
 public:
  TSimpleEvent() : TEvent(true, false) {}
};
