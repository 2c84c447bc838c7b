// The browser control on the real engine against the loopback directory
// server: the round trip of a synchronous script on a loaded result page
// (median and 95th percentile per call), the time from creating a browser to
// its first page loaded, and the resident memory of the program and the
// engine's helper processes with one page loaded.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <algorithm>
#include <memory>
#include <vector>

#include "browser/KitWebBrowser.Win.h"
#include "platform/vcl/Forms.h"
#include "tools/DirectoryServer.h"

namespace {

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < timeoutMs) {
    Application->ProcessMessages();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (!done()) QThread::msleep(1);
  }
  return done();
}

struct Window {
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TKitWebBrowser* Browser = nullptr;
  // Creates the browser and loads url; answers whether the page loaded.
  bool Open(const QString& url) {
    Form->SetBounds(0, 0, 1024, 768);
    Form->Show();
    Browser = new TKitWebBrowser(Form.get());
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

// Kilobytes of resident memory of a process (VmRSS), 0 when unreadable.
long ResidentKb(const QString& pid) {
  QFile status(QStringLiteral("/proc/%1/status").arg(pid));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
  return 0;
}

// This process and every process below it (the engine's helpers).
long TreeResidentKb() {
  const QString self = QString::number(QCoreApplication::applicationPid());
  long total = ResidentKb(self);
  std::vector<QString> parents{self};
  for (size_t i = 0; i < parents.size(); ++i) {
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
      QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
      if (!stat.open(QIODevice::ReadOnly)) continue;
      const QByteArray text = stat.readAll();
      const qsizetype close = text.lastIndexOf(')');
      if (close < 0) continue;
      const QList<QByteArray> fields = text.mid(close + 2).split(' ');
      if (fields.size() > 1 && QString::fromLatin1(fields[1]) == parents[i]) {
        parents.push_back(pid);
        total += ResidentKb(pid);
      }
    }
  }
  return total;
}

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

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
  // As in the tests: no sandbox when running as root, no GPU.
  if (!qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  if (!qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS"))
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-dev-shm-usage");
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  RegisterCoreWebView2Schemes();
  KitWebBrowserWin::Startup();
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
