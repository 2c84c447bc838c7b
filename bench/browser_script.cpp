// The browser control on the real engine against the loopback directory
// server: the round trip of a synchronous script on a loaded result page
// (median and 95th percentile per call), the time from creating a browser to
// its first page loaded, and the resident memory of the program and the
// engine's helper processes with one page loaded.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <memory>
#include <vector>

#include "bench/support/BenchSupport.h"
#include "browser/KitWebBrowser.Win.h"
#include "platform/vcl/Forms.h"
#include "tools/DirectoryServer.h"

namespace {

struct Window {
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TKitWebBrowser* Browser = nullptr;
  // Creates the browser and loads url; answers whether the page loaded.
  bool Open(const QString& url) {
    Form->SetBounds(0, 0, 1024, 768);
    Form->Show();
    Browser = Create<TKitWebBrowser>(Form.get());
    Browser->SetBounds(0, 0, 1024, 768);
    bool loaded = false;
    Browser->OnNavigateComplete = [&](TObject*, TKitCustomWebBrowserNavigateCompleteParams& P) {
      if (P.URL == url) loaded = P.Success;
    };
    Browser->SetParent(Form.get());
    Browser->SetURL(url);
    PumpUntil([&] { return loaded; }, 30000);
    Browser->OnNavigateComplete = nullptr;
    return loaded;
  }
};

tools::DirectoryServer& Server() {
  static tools::DirectoryServer server;
  return server;
}

QString PageUrl() { return Server().ResultsUrl(QStringLiteral("plombier"), QStringLiteral("paris"), 1); }

void BM_SyncScriptRoundTrip(benchmark::State& state) {
  Window window;
  if (!window.Open(PageUrl())) {
    state.SkipWithError("the page did not load");
    return;
  }
  TKitWebBrowser* browser = window.Browser;
  std::vector<double> times;
  times.reserve(4096);
  QElapsedTimer timer;
  for (auto _ : state) {
    timer.start();
    const QString answer = browser->ExecuteJavaScriptSync(
        QStringLiteral("document.querySelectorAll('li[class*=\"bi bi-generic\"]').length"));
    times.push_back(double(timer.nsecsElapsed()) / 1e6);
    if (answer != QLatin1String("21")) {
      state.SkipWithError("wrong answer");
      return;
    }
  }
  std::sort(times.begin(), times.end());
  state.counters["median_ms"] = times[times.size() / 2];
  state.counters["p95_ms"] = times[std::min(times.size() - 1, times.size() * 95 / 100)];
  state.counters["rss_mb_with_page"] = double(TreeResidentKb()) / 1024.0;
}
BENCHMARK(BM_SyncScriptRoundTrip)->Iterations(2000)->Unit(benchmark::kMillisecond);

void BM_CreateToFirstPage(benchmark::State& state) {
  std::vector<double> times;
  for (auto _ : state) {
    QElapsedTimer timer;
    timer.start();
    Window window;
    if (!window.Open(PageUrl())) {
      state.SkipWithError("the page did not load");
      return;
    }
    times.push_back(double(timer.nsecsElapsed()) / 1e6);
    state.PauseTiming();
    window.Form.reset();
    PumpUntil([] { return false; }, 200);
    state.ResumeTiming();
  }
  std::sort(times.begin(), times.end());
  state.counters["median_ms"] = times[times.size() / 2];
  state.counters["max_ms"] = times.back();
}
BENCHMARK(BM_CreateToFirstPage)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunEngineBenchmarks(argc, argv); }
