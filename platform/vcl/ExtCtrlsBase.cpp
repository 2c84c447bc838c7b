// TTimer over the scheduler.

#include "platform/vcl/ExtCtrlsBase.h"

#include "platform/win32/WinUser.h"

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {}

TTimer::~TTimer() {
  if (FTimer) TScheduler::Instance().Stop(FTimer);
}

void TTimer::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  UpdateTimer();
}

void TTimer::SetInterval(Cardinal Value) {
  if (FInterval == Value) return;
  FInterval = Value;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent Value) {
  FOnTimer = std::move(Value);
  UpdateTimer();
}

void TTimer::Timer() {
  if (FOnTimer) FOnTimer(this);
}

void TTimer::UpdateTimer() {
  if (FTimer) {
    TScheduler::Instance().Stop(FTimer);
    FTimer = 0;
  }
  // Like the framework's timer: it runs only with an interval, while
  // enabled and with a handler to call.
  if (FInterval == 0 || !FEnabled || !FOnTimer) return;
  FTimer = TScheduler::Instance().Start(FInterval, [this] { CallGuarded([this] { Timer(); }); });
}
