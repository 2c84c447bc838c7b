#include "tests/engine/EngineSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include "tests/support/TestSupport.h"

namespace enginetest {

namespace {

void PrepareEngine() {
  if (!qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  if (!qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS"))
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-dev-shm-usage");
  RegisterCoreWebView2Schemes();
}
const bool kPrepared = testsupport::BeforeApplication(PrepareEngine);

std::unique_ptr<Engine>& SharedSlot() {
  static std::unique_ptr<Engine> engine;
  return engine;
}

class EngineRelease : public ::testing::Environment {
 public:
  void TearDown() override {
    SharedSlot().reset();
    PumpUntil([] { return false; }, 300);
  }
};
::testing::Environment* const kRelease = ::testing::AddGlobalTestEnvironment(new EngineRelease);

}  // namespace

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() >= timeoutMs) return done();
    Application->ProcessMessages();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (!done()) QThread::msleep(1);
  }
  return true;
}

BrowserWindow::BrowserWindow(const std::function<void(TKitWebBrowser*)>& Prepare) {
  (void)kPrepared;
  (void)kRelease;
  Form = std::make_unique<TForm>(nullptr);
  Form->SetBounds(0, 0, 800, 600);
  Form->Show();
  Browser = Create<TKitWebBrowser>(Form.get());
  Browser->SetBounds(0, 0, 800, 600);
  // Test processes run side by side: each keeps its own engine data.
  Browser->SetCacheFolderName(QStringLiteral("EdgeCache-%1").arg(QCoreApplication::applicationPid()));
  if (Prepare) Prepare(Browser);
  Browser->SetParent(Form.get());
}

BrowserWindow::~BrowserWindow() {
  Form.reset();
  // Closed views go through the event loop.
  PumpUntil([] { return false; }, 100);
}

TKitWinWebBrowser* BrowserWindow::Platform() const {
  return dynamic_cast<TKitWinWebBrowser*>(Browser->WebBrowser().get());
}

Engine* Shared() {
  auto& slot = SharedSlot();
  if (slot) return slot->Browser()->IsInitialized() ? slot.get() : nullptr;
  slot = std::make_unique<Engine>();
  slot->Server = std::make_unique<tools::DirectoryServer>(tools::DirectoryServerOptions{});
  bool startPage = false;
  slot->Window = std::make_unique<BrowserWindow>([&](TKitWebBrowser* browser) {
    browser->OnNavigateComplete = [&](TObject*, TKitCustomWebBrowserNavigateCompleteParams&) { startPage = true; };
  });
  if (!slot->Browser()->IsInitialized()) {
    ADD_FAILURE() << "the browser got no view";
    return nullptr;
  }
  // The built-in start page first.
  PumpUntil([&] { return startPage; });
  slot->Browser()->OnNavigateComplete = nullptr;
  return slot.get();
}

TKitCustomWebBrowserNavigateCompleteParams NavigateAndWait(TKitWebBrowser* Browser, const QString& Uri,
                                                           const QString& Html) {
  TKitCustomWebBrowserNavigateCompleteParams result;
  bool done = false;
  Browser->OnNavigateComplete = [&](TObject*, TKitCustomWebBrowserNavigateCompleteParams& P) {
    result = P;
    done = true;
  };
  if (Uri.isEmpty()) Browser->LoadHTML(Html);
  else Browser->Navigate(Uri);
  PumpUntil([&] { return done; });
  Browser->OnNavigateComplete = nullptr;
  if (!done) result.URL.clear();
  return result;
}

}  // namespace enginetest
