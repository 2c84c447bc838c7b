#pragma once
// TTimer: a component that calls OnTimer every Interval milliseconds while
// Enabled, on the program's one scheduler (so a test's manual clock drives
// it). Exceptions from OnTimer go to Application->HandleException.

#include "platform/rtl/Classes.h"
#include "platform/win32/Scheduler.h"

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  Cardinal Interval() const { return FInterval; }
  // Restarts the count from now; 0 stops the timer.
  void SetInterval(Cardinal Value);
  void SetOnTimer(TNotifyEvent Value);
  const TNotifyEvent& OnTimer() const { return FOnTimer; }

 protected:
  virtual void Timer();

 private:
  void UpdateTimer();

  bool FEnabled = true;
  Cardinal FInterval = 1000;
  TNotifyEvent FOnTimer;
  TScheduler::TTimerId FTimer = 0;
};
