// The capture loop on the real engine against the loopback directory server:
// the time of one page pass on a 21-listing result page without its page
// delay (the 85 synchronous scripts with the parsing and the memo between
// them), and the resident memory of the program over a 50-page run.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "app/SiteHosts.h"
#include "app/uSuperWB.h"
#include "bench/support/BenchSupport.h"
#include "browser/KitWebBrowser.Win.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "tools/DirectoryServer.h"

namespace {

constexpr int kScriptsPerPass = 85;

long SelfResidentKb() { return ResidentKb(QStringLiteral("self")); }

// The capture browser, timing its synchronous scripts; AfterPass runs when
// the last script of each page pass has answered.
class TTimedBrowser : public TSuperBrowser {
 public:
  using TSuperBrowser::TSuperBrowser;

  QString ExecuteJavaScriptSync(const QString& AScript) override {
    if (Calls % kScriptsPerPass == 0) PassStart.start();
    QElapsedTimer timer;
    timer.start();
    QString result = TSuperBrowser::ExecuteJavaScriptSync(AScript);
    const qint64 took = timer.nsecsElapsed();
    ScriptNs += took;
    // Script 0 of a pass colours the page; then four per listing.
    const int inPass = Calls % kScriptsPerPass;
    KindNs[inPass == 0 ? 0 : 1 + (inPass - 1) % 4] += took;
    if (++Calls % kScriptsPerPass == 0) {
      PassNs = PassStart.nsecsElapsed();
      ++Passes;
      if (AfterPass) AfterPass();
    }
    return result;
  }

  void Reset() {
    Calls = 0;
    Passes = 0;
    ScriptNs = 0;
    PassNs = 0;
    std::fill(std::begin(KindNs), std::end(KindNs), 0);
  }

  int Calls = 0;
  int Passes = 0;
  qint64 ScriptNs = 0;
  qint64 PassNs = 0;
  // Page colour, highlight, read HTML, read text, write the name.
  qint64 KindNs[5] = {};
  QElapsedTimer PassStart;
  std::function<void()> AfterPass;
};

struct Host {
  std::unique_ptr<tools::DirectoryServer> Server;
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TTimedBrowser* Browser = nullptr;
  TMemo* Memo = nullptr;
  TEdit* Edit = nullptr;

  explicit Host(int pageCount) {
    tools::DirectoryServerOptions options;
    options.PageCount = pageCount;
    Server = std::make_unique<tools::DirectoryServer>(options);
    SetDirectoryRoot(Server->Url(QStringLiteral("/")));
    SetMakerRoot(Server->Url(QStringLiteral("/")));
    Form->SetBounds(0, 0, 1280, 800);
    Application->SetMainForm(Form.get());
    Form->Show();
    Memo = new TMemo(Form.get());
    Memo->SetBounds(1000, 0, 280, 760);
    Memo->SetParent(Form.get());
    Edit = new TEdit(Form.get());
    Edit->SetBounds(1000, 770, 280, 24);
    Edit->SetParent(Form.get());
    Browser = Create<TTimedBrowser>(Form.get());
    Browser->SetBounds(0, 0, 1000, 800);
    Browser->SetParent(Form.get());
    Browser->SetMemoAttached(Memo);
    Browser->SetEditattached(Edit);
  }

  bool Open(int page) {
    const QString url = Server->ResultsUrl(QStringLiteral("plombier"), QStringLiteral("paris"), page);
    bool loaded = false;
    Browser->OnNavigateComplete = [&](TObject*, TKitCustomWebBrowserNavigateCompleteParams& P) {
      if (P.URL == url) loaded = P.Success;
    };
    Browser->Navigate(url);
    PumpUntil([&] { return loaded; }, 30000);
    Browser->OnNavigateComplete = nullptr;
    return loaded;
  }
};

void BM_PagePassScripts(benchmark::State& state) {
  PageDelay = 0;
  Host host(3);
  if (!host.Open(1)) {
    state.SkipWithError("the page did not load");
    return;
  }
  TTimedBrowser* browser = host.Browser;
  // The pass ends at its next-page step: no further page.
  browser->AfterPass = [browser] { browser->SetbStop(true); };
  std::vector<double> passes;
  std::vector<double> scripts;
  std::vector<double> kinds[5];
  for (auto _ : state) {
    state.PauseTiming();
    // The pass rewrote the listings: a fresh copy of the page each time.
    if (!host.Open(1)) {
      state.SkipWithError("the page did not load");
      return;
    }
    host.Memo->Lines()->Clear();
    browser->Reset();
    browser->SetfTimer(0);
    browser->SetbStop(false);
    browser->SetbComplete(false);
    state.ResumeTiming();
    browser->StartParsingFRPJ();
    if (browser->Calls != kScriptsPerPass || host.Memo->Lines()->Count() != 21) {
      state.SkipWithError("the pass did not read 21 listings with 85 scripts");
      return;
    }
    state.SetIterationTime(double(browser->PassNs) / 1e9);
    passes.push_back(double(browser->PassNs) / 1e6);
    scripts.push_back(double(browser->ScriptNs) / 1e6);
    for (int k = 0; k < 5; ++k) kinds[k].push_back(double(browser->KindNs[k]) / 1e6);
  }
  const auto median = [](std::vector<double>& v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  state.counters["highlight_ms"] = median(kinds[1]);
  state.counters["read_html_ms"] = median(kinds[2]);
  state.counters["read_text_ms"] = median(kinds[3]);
  state.counters["write_name_ms"] = median(kinds[4]);
  std::sort(passes.begin(), passes.end());
  std::sort(scripts.begin(), scripts.end());
  state.counters["pass_median_ms"] = passes[passes.size() / 2];
  state.counters["pass_max_ms"] = passes.back();
  state.counters["scripts_median_ms"] = scripts[scripts.size() / 2];
}
BENCHMARK(BM_PagePassScripts)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_FiftyPageRunMemory(benchmark::State& state) {
  PageDelay = 0;
  constexpr int kPages = 50;
  Host host(kPages);
  if (!host.Open(1)) {
    state.SkipWithError("the page did not load");
    return;
  }
  TTimedBrowser* browser = host.Browser;
  long selfAfterFirst = 0, selfAfterLast = 0, treeAfterFirst = 0, treeAfterLast = 0;
  browser->AfterPass = [&] {
    if (browser->Passes == 1) {
      selfAfterFirst = SelfResidentKb();
      treeAfterFirst = TreeResidentKb();
    } else if (browser->Passes == kPages) {
      selfAfterLast = SelfResidentKb();
      treeAfterLast = TreeResidentKb();
    }
  };
  for (auto _ : state) {
    host.Memo->Lines()->Clear();
    browser->Reset();
    // What the capture button does before the loop.
    TrimWorkingSet();
    browser->SetfTimer(PageDelay);
    browser->SetbStop(false);
    browser->SetbComplete(false);
    browser->StartParsingFRPJ();
  }
  // Every page once, the last one read again.
  if (browser->Passes != kPages + 1 || host.Memo->Lines()->Count() < kPages * 20) {
    state.SkipWithError("the run did not read every page");
    return;
  }
  state.counters["passes"] = browser->Passes;
  state.counters["lines"] = host.Memo->Lines()->Count();
  state.counters["rss_page1_mb"] = double(selfAfterFirst) / 1024.0;
  state.counters["rss_page50_mb"] = double(selfAfterLast) / 1024.0;
  state.counters["rss_growth_mb"] = double(selfAfterLast - selfAfterFirst) / 1024.0;
  state.counters["tree_growth_mb"] = double(treeAfterLast - treeAfterFirst) / 1024.0;
}
BENCHMARK(BM_FiftyPageRunMemory)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) { return RunEngineBenchmarks(argc, argv); }
