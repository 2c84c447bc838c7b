#pragma once
// One scheduler for the clock and every timer of the program: GetTickCount,
// SetTimer/KillTimer and the TTimer component all read and arm it. It runs on
// the real monotonic clock (timers fire from the Qt event loop) or, for
// tests, on a manual clock that only moves when told to.
//
// Timing rules:
// - A timer first fires Interval ms after it was started, then every
//   Interval ms measured from its previous due time.
// - On the real clock a timer that fell behind (the event loop was busy)
//   fires once and is rescheduled from now, as window timers do.
// - On the manual clock Advance(ms) fires every due tick in time order, with
//   the clock set to the tick's due time while its callback runs; posted
//   window messages are delivered before each tick.
// - Timers due at the same time fire in the order they were started.
// Callbacks run on the main thread. A callback may start and stop timers,
// including itself.

#include <QtGlobal>
#include <cstdint>
#include <functional>
#include <memory>

class TScheduler {
 public:
  using TTimerId = uint64_t;

  // The process-wide scheduler (real clock until a test switches).
  static TScheduler& Instance();

  // Milliseconds from an arbitrary start.
  uint64_t Now() const;

  // Switches to the manual clock starting at StartMs, keeping the armed
  // timers (their due times carry over relative to the current time).
  void UseManualClock(uint64_t StartMs = 1000000);
  // Back to the real clock, timers carried over the same way.
  void UseRealClock();
  bool IsManual() const;

  // Manual clock only: moves the clock by Ms, firing due timers on the way.
  // Returns the number of ticks fired. Does nothing on the real clock.
  int Advance(uint64_t Ms);

  // Starts a periodic timer; returns its id (never 0). An interval of 0 is
  // taken as 1 ms.
  TTimerId Start(uint64_t IntervalMs, std::function<void()> Callback);
  // Re-arms a running timer with a new interval from now; false for an
  // unknown id.
  bool Restart(TTimerId Id, uint64_t IntervalMs);
  // Stops a timer; false for an unknown id. Safe inside its own callback.
  bool Stop(TTimerId Id);
  bool IsActive(TTimerId Id) const;
  int ActiveCount() const;

  // Runs the callback of every timer that is due on the real clock. Called
  // by the scheduler's own Qt timer; public for the event loop helpers.
  void FireDue();

  TScheduler(const TScheduler&) = delete;
  TScheduler& operator=(const TScheduler&) = delete;
  ~TScheduler();

 private:
  TScheduler();
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};
