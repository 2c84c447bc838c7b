// The smooth progress bar's 10 ms tick: 100 ticks plus the paints they ask
// for on a 300 x 20 bar, in four situations, beside two peers in the same run:
// - BM_BarGlowPassing: the glow band travels over the progress part (every
//   tick moves it, so every tick paints);
// - BM_BarGlowWaiting: the band waits between passes (nothing moves);
// - BM_BarSettledNoGlow: settled, glow off (nothing moves);
// - BM_BarEasing: a new position eases in (every tick moves the bar);
// - peer BM_BarPaintEveryTick: the same ticks with a paint after every tick,
//   as a bar that repaints on each tick would do;
// - peer BM_QPainterBar: QPainter drawing a comparable bar (two gradient
//   fills, a gloss and a percentage text) into a 300 x 20 image, 100 times.
// Counters: repaints per 100 ticks.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include <memory>

#include "bench/support/BenchSupport.h"
#include "gdiplus/KitGDIP.h"
#include "gdiplus/KitSmoothProgressBar.h"
#include "platform/vcl/Forms.h"
#include "platform/win32/WinUser.h"

namespace {

constexpr int kTicks = 100;

struct Rig {
  std::unique_ptr<TForm> Form;
  TKitSmoothProgressBar* Bar = nullptr;
  int Invalidations = 0;

  Rig() {
    Form = CreateUnique<TForm>(nullptr);
    Form->SetBounds(0, 0, 340, 60);
    Bar = Create<TKitSmoothProgressBar>(Form.get());
    Bar->SetParent(Form.get());
    Bar->SetBounds(20, 20, 300, 20);
    Bar->SetComponentStyle(tsOffice2007Luna);
    Bar->Appearance()->SetValueVisible(true);
    // The timers stay off: the benchmark ticks by hand.
    Bar->AnimationTimer()->SetEnabled(false);
    Bar->SetProgressAnimation(false);
    Bar->SetPosition(50);
    Bar->SetProgressAnimation(true);
    Form->Show();
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    Bar->Update();
    const HWND handle = Bar->Handle();
    SetInvalidateHook([this, handle](HWND h, const RECT*) {
      if (h == handle) ++Invalidations;
    });
  }
  ~Rig() { SetInvalidateHook(nullptr); }

  // One tick, and the paint it asked for (as the event loop would do it).
  void Tick(bool PaintAlways) {
    const int before = Invalidations;
    Bar->AnimationTick();
    if (PaintAlways || Invalidations != before) Bar->Update();
  }
  // Ticks until the glow band waits between passes.
  void ToWaiting() {
    for (int i = 0; i < 1000 && !(Bar->GlowPosition() == -40 && Bar->GlowCount() < 200); ++i) Bar->AnimationTick();
  }
  // Ticks until the band travels.
  void ToPassing() {
    for (int i = 0; i < 1000 && Bar->GlowPosition() < 0; ++i) Bar->AnimationTick();
  }
};

void Run(benchmark::State& state, Rig& rig, const std::function<void()>& Before, bool PaintAlways) {
  int repaints = 0, rounds = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Before();
    const int start = rig.Invalidations;
    state.ResumeTiming();
    for (int i = 0; i < kTicks; ++i) rig.Tick(PaintAlways);
    repaints += rig.Invalidations - start;
    ++rounds;
  }
  state.counters["invalidations_per_100_ticks"] = rounds ? double(repaints) / rounds : 0;
  state.counters["us_per_tick"] = benchmark::Counter(double(state.iterations() * kTicks),
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
                                                     benchmark::Counter::OneK::kIs1000);
  state.SetItemsProcessed(state.iterations() * kTicks);
}

void BM_BarGlowPassing(benchmark::State& state) {
  Rig rig;
  Run(state, rig, [&] { rig.ToPassing(); }, false);
}
BENCHMARK(BM_BarGlowPassing)->Unit(benchmark::kMillisecond);

void BM_BarGlowWaiting(benchmark::State& state) {
  Rig rig;
  Run(state, rig, [&] { rig.ToWaiting(); }, false);
}
BENCHMARK(BM_BarGlowWaiting)->Unit(benchmark::kMillisecond);

void BM_BarSettledNoGlow(benchmark::State& state) {
  Rig rig;
  rig.Bar->SetGlowAnimation(false);
  Run(state, rig, [] {}, false);
}
BENCHMARK(BM_BarSettledNoGlow)->Unit(benchmark::kMillisecond);

void BM_BarEasing(benchmark::State& state) {
  Rig rig;
  rig.Bar->SetGlowAnimation(false);
  bool up = true;
  Run(
      state, rig,
      [&] {
        rig.Bar->SetProgressAnimation(false);
        rig.Bar->SetPosition(up ? 10 : 90);
        rig.Bar->SetProgressAnimation(true);
        rig.Bar->SetPosition(up ? 90 : 10);
        up = !up;
      },
      false);
}
BENCHMARK(BM_BarEasing)->Unit(benchmark::kMillisecond);

void BM_BarPaintEveryTick(benchmark::State& state) {
  Rig rig;
  Run(state, rig, [&] { rig.ToWaiting(); }, true);
}
BENCHMARK(BM_BarPaintEveryTick)->Unit(benchmark::kMillisecond);

void BM_QPainterBar(benchmark::State& state) {
  QImage image(300, 20, QImage::Format_ARGB32_Premultiplied);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(11);
  for (auto _ : state) {
    for (int i = 0; i < kTicks; ++i) {
      QPainter p(&image);
      p.setRenderHint(QPainter::Antialiasing);
      QLinearGradient bg(0, 0, 0, 20);
      bg.setColorAt(0, QColor(0xAF, 0xD2, 0xFF));
      bg.setColorAt(1, QColor(0xAF, 0xD2, 0xFF));
      p.fillRect(QRectF(0, 0, 300, 20), bg);
      QLinearGradient pf(0, 0, 0, 20);
      pf.setColorAt(0, QColor(0xE3, 0xEF, 0xFF));
      pf.setColorAt(1, QColor(0xC4, 0xDD, 0xFF));
      p.fillRect(QRectF(0, 0, 150, 20), pf);
      QLinearGradient gloss(0, 0, 0, 8);
      gloss.setColorAt(0, QColor(255, 255, 255, 180));
      gloss.setColorAt(1, QColor(255, 255, 255, 0));
      p.fillRect(QRectF(0, 0, 300, 8), gloss);
      p.setFont(font);
      p.drawText(QRectF(0, 0, 300, 20), Qt::AlignCenter, QStringLiteral("50%"));
    }
    benchmark::DoNotOptimize(image.constBits());
  }
  state.SetItemsProcessed(state.iterations() * kTicks);
}
BENCHMARK(BM_QPainterBar)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarks(argc, argv, [] { KitGDIP::Initialization(); });
}
