#include "platform/rtl/SyncObjs.h"

#include <chrono>

#include "platform/rtl/MessageText.h"
#include "platform/rtl/SysUtils.h"

TWaitResult TCriticalSection::WaitFor(Cardinal Timeout) {
  if (Timeout == INFINITE) {
    FLock.lock();
    return wrSignaled;
  }
  return FLock.try_lock_for(std::chrono::milliseconds(Timeout)) ? wrSignaled : wrTimeout;
}

TEvent::TEvent(bool ManualReset, bool InitialState)
    : FManualReset(ManualReset), FSignaled(InitialState) {}

TEvent::TEvent(void* EventAttributes, bool ManualReset, bool InitialState, const QString& Name)
    : TEvent(ManualReset, InitialState) {
  if (!Name.isEmpty())
    throw ENotSupportedException(MessageText(RtlConsts::SNamedEventNotSupported, {Name}));
}

void TEvent::SetEvent() {
  {
    std::lock_guard<std::mutex> guard(FLock);
    FSignaled = true;
  }
  if (FManualReset)
    FChanged.notify_all();
  else
    FChanged.notify_one();
}

void TEvent::ResetEvent() {
  std::lock_guard<std::mutex> guard(FLock);
  FSignaled = false;
}

TWaitResult TEvent::WaitFor(Cardinal Timeout) {
  std::unique_lock<std::mutex> lock(FLock);
  auto signaled = [this] { return FSignaled; };
  if (Timeout == INFINITE) {
    FChanged.wait(lock, signaled);
  } else if (!FChanged.wait_for(lock, std::chrono::milliseconds(Timeout), signaled)) {
    return wrTimeout;
  }
  if (!FManualReset) FSignaled = false;
  return wrSignaled;
}
