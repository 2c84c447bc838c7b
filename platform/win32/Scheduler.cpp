// The scheduler: a table of periodic timers over a real or manual clock. On
// the real clock one single-shot QTimer is armed for the earliest due time.

#include "platform/win32/Scheduler.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <vector>

#include "platform/rtl/SysUtils.h"
#include "platform/win32/WinUser.h"

namespace {
uint64_t RealNow() {
  using namespace std::chrono;
  return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

UInt64 SchedulerTickSource() { return TScheduler::Instance().Now(); }
}  // namespace

struct TScheduler::TImpl {
  struct TTimer {
    uint64_t Interval = 1;
    uint64_t Due = 0;
    uint64_t Seq = 0;  // start order, for timers due at the same time
    std::shared_ptr<std::function<void()>> Callback;
  };

  std::atomic<bool> Manual{false};
  std::atomic<uint64_t> ManualNow{0};
  std::map<TTimerId, TTimer> Timers;
  TTimerId NextId = 1;
  uint64_t NextSeq = 1;
  QTimer* Wake = nullptr;  // real clock only; owned by the application object

  uint64_t Now() const { return Manual.load() ? ManualNow.load() : RealNow(); }

  // The due timer that fires first, or Timers.end().
  std::map<TTimerId, TTimer>::iterator FirstDue(uint64_t Limit) {
    auto best = Timers.end();
    for (auto it = Timers.begin(); it != Timers.end(); ++it) {
      if (it->second.Due > Limit) continue;
      if (best == Timers.end() || it->second.Due < best->second.Due ||
          (it->second.Due == best->second.Due && it->second.Seq < best->second.Seq))
        best = it;
    }
    return best;
  }

  void Rearm() {
    if (Manual.load()) {
      if (Wake) Wake->stop();
      return;
    }
    if (Timers.empty()) {
      if (Wake) Wake->stop();
      return;
    }
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread()) return;
    if (!Wake) {
      Wake = new QTimer(app);
      Wake->setSingleShot(true);
      Wake->setTimerType(Qt::PreciseTimer);
      QObject::connect(Wake, &QTimer::timeout, [] { TScheduler::Instance().FireDue(); });
    }
    uint64_t earliest = UINT64_MAX;
    for (const auto& [id, t] : Timers) earliest = std::min(earliest, t.Due);
    const uint64_t now = RealNow();
    const uint64_t wait = earliest > now ? earliest - now : 0;
    Wake->start(static_cast<int>(std::min<uint64_t>(wait, 0x7FFFFFFF)));
  }

  void Rebase(uint64_t From, uint64_t To) {
    for (auto& [id, t] : Timers) t.Due = To + (t.Due > From ? t.Due - From : 0);
  }
};

TScheduler::TScheduler() : FImpl(std::make_unique<TImpl>()) { SetTickCountSource(&SchedulerTickSource); }

TScheduler::~TScheduler() { SetTickCountSource(nullptr); }

TScheduler& TScheduler::Instance() {
  static TScheduler scheduler;
  return scheduler;
}

uint64_t TScheduler::Now() const { return FImpl->Now(); }

bool TScheduler::IsManual() const { return FImpl->Manual.load(); }

void TScheduler::UseManualClock(uint64_t StartMs) {
  const uint64_t from = FImpl->Now();
  FImpl->ManualNow.store(StartMs);
  FImpl->Manual.store(true);
  FImpl->Rebase(from, StartMs);
  FImpl->Rearm();
}

void TScheduler::UseRealClock() {
  if (!FImpl->Manual.load()) return;
  const uint64_t from = FImpl->ManualNow.load();
  FImpl->Manual.store(false);
  FImpl->Rebase(from, RealNow());
  FImpl->Rearm();
}

int TScheduler::Advance(uint64_t Ms) {
  if (!FImpl->Manual.load()) return 0;
  const uint64_t target = FImpl->ManualNow.load() + Ms;
  int fired = 0;
  for (;;) {
    auto it = FImpl->FirstDue(target);
    if (it == FImpl->Timers.end()) break;
    FImpl->ManualNow.store(it->second.Due);
    it->second.Due += it->second.Interval;
    auto callback = it->second.Callback;  // survives a Stop from inside
    ProcessPostedMessages();
    CallGuarded(*callback);
    ++fired;
  }
  FImpl->ManualNow.store(target);
  return fired;
}

TScheduler::TTimerId TScheduler::Start(uint64_t IntervalMs, std::function<void()> Callback) {
  TImpl::TTimer t;
  t.Interval = IntervalMs == 0 ? 1 : IntervalMs;
  t.Due = FImpl->Now() + t.Interval;
  t.Seq = FImpl->NextSeq++;
  t.Callback = std::make_shared<std::function<void()>>(std::move(Callback));
  const TTimerId id = FImpl->NextId++;
  FImpl->Timers.emplace(id, std::move(t));
  FImpl->Rearm();
  return id;
}

bool TScheduler::Restart(TTimerId Id, uint64_t IntervalMs) {
  auto it = FImpl->Timers.find(Id);
  if (it == FImpl->Timers.end()) return false;
  it->second.Interval = IntervalMs == 0 ? 1 : IntervalMs;
  it->second.Due = FImpl->Now() + it->second.Interval;
  it->second.Seq = FImpl->NextSeq++;
  FImpl->Rearm();
  return true;
}

bool TScheduler::Stop(TTimerId Id) {
  if (FImpl->Timers.erase(Id) == 0) return false;
  FImpl->Rearm();
  return true;
}

bool TScheduler::IsActive(TTimerId Id) const { return FImpl->Timers.count(Id) != 0; }

int TScheduler::ActiveCount() const { return static_cast<int>(FImpl->Timers.size()); }

void TScheduler::FireDue() {
  if (FImpl->Manual.load()) return;
  const uint64_t now = RealNow();
  // Fire each timer due now at most once, in due order.
  std::vector<TTimerId> due;
  for (;;) {
    auto it = FImpl->FirstDue(now);
    if (it == FImpl->Timers.end()) break;
    bool seen = false;
    for (TTimerId id : due) seen = seen || id == it->first;
    if (seen) break;
    due.push_back(it->first);
    // A timer that fell behind is rescheduled from now (no burst of ticks).
    it->second.Due += it->second.Interval;
    if (it->second.Due <= now) it->second.Due = now + it->second.Interval;
    auto callback = it->second.Callback;
    ProcessPostedMessages();
    CallGuarded(*callback);
  }
  FImpl->Rearm();
}
