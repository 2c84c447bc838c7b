#include "tests/engine/EngineSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace enginetest {

namespace {

const bool kPrepared = testsupport::BeforeApplication([] { PrepareProcess(EngineProcessOptions()); });

std::unique_ptr<tools::DirectoryServer>& ServerSlot() {
  static std::unique_ptr<tools::DirectoryServer> server;
  return server;
}

std::unique_ptr<Engine>& EngineSlot() {
  static std::unique_ptr<Engine> engine;
  return engine;
}

std::unique_ptr<ViewEngine>& ViewSlot() {
  static std::unique_ptr<ViewEngine> engine;
  return engine;
}

// Releases the engines, then the server, before the application goes.
class EngineRelease : public ::testing::Environment {
 public:
  void TearDown() override {
    if (auto& view = ViewSlot()) {
      if (view->Controller) view->Controller->Close();
      view->View.reset();
      view->Controller.reset();
      view->Environment.reset();
      // Let the closed view go through the event loop before its window.
      PumpUntil([] { return false; }, 300);
      view.reset();
    }
    if (EngineSlot()) {
      EngineSlot().reset();
      PumpUntil([] { return false; }, 300);
    }
    ServerSlot().reset();
  }
};
::testing::Environment* const kRelease = ::testing::AddGlobalTestEnvironment(new EngineRelease);

}  // namespace

const std::vector<ScriptCase> kScriptValueCases = {
    {"'plombier à Paris « 24h/24 »'", "\"plombier à Paris « 24h/24 »\""},
    {"'say \"hi\"\\n'", "\"say \\\"hi\\\"\\n\""},
    {"'\\u00e9t\\u00e9'", "\"été\""},
    {"6 * 7", "42"},
    {"1.5", "1.5"},
    {"-0.25e-3", "-0.00025"},
    {"true", "true"},
    {"1 > 2", "false"},
    {"null", "null"},
    {"undefined", "null"},
    {"void 0", "null"},
    {"NaN", "null"},
    {"throw new Error('boom')", "null"},
    {"undefinedName.property", "null"},
    {"syntax error here", "null"},
    {"(function () {})", "null"},
    {"({ nom: 'Dupré', n: 3, liste: [1, 'deux'], vide: {} })",
     "{\"nom\":\"Dupré\",\"n\":3,\"liste\":[1,\"deux\"],\"vide\":{}}"},
    {"[1, 'deux', null, undefined, true]", "[1,\"deux\",null,null,true]"},
    {"[]", "[]"},
    {"document.body", "{}"},
    {"var a = 2; var b = 3; a * b", "6"},
    {"document.readyState", "\"complete\""},
};

TProcessOptions EngineProcessOptions() {
  TProcessOptions options;
  options.Kind = pkTest;
  options.Engine = true;
  options.EngineSandboxOff = true;
  options.EngineHeadless = true;
  return options;
}

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

tools::DirectoryServer& SharedServer() {
  (void)kPrepared;
  (void)kRelease;
  auto& slot = ServerSlot();
  if (!slot) slot = std::make_unique<tools::DirectoryServer>(tools::DirectoryServerOptions{});
  return *slot;
}

// --- The browser control ---------------------------------------------------

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
  auto& slot = EngineSlot();
  if (slot) return slot->Browser()->IsInitialized() ? slot.get() : nullptr;
  slot = std::make_unique<Engine>();
  slot->Server = &SharedServer();
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

// --- The WebView2-shaped interfaces ----------------------------------------

namespace {

std::shared_ptr<ICoreWebView2Controller> MakeController(ICoreWebView2Environment* environment, QWidget* window) {
  std::shared_ptr<ICoreWebView2Controller> controller;
  bool done = false;
  HRESULT result = E_FAIL;
  EXPECT_EQ(
      environment->CreateCoreWebView2Controller(window,
                                                [&](HRESULT hr, std::shared_ptr<ICoreWebView2Controller> created) {
                                                  result = hr;
                                                  controller = std::move(created);
                                                  done = true;
                                                  return S_OK;
                                                }),
      S_OK);
  EXPECT_TRUE(PumpUntil([&] { return done; }, 30000)) << "no controller";
  EXPECT_EQ(result, S_OK);
  return controller;
}

NavigationResult Wait(ICoreWebView2* view, const std::function<HRESULT()>& start, int timeoutMs) {
  auto result = std::make_shared<NavigationResult>();
  Registration completed([view](EventRegistrationToken t) { view->remove_NavigationCompleted(t); });
  view->add_NavigationCompleted(
      [result](ICoreWebView2*, ICoreWebView2NavigationCompletedEventArgs* args) {
        result->Completed = true;
        args->get_IsSuccess(&result->IsSuccess);
        args->get_WebErrorStatus(&result->Status);
        return S_OK;
      },
      &completed.Token);
  if (FAILED(start())) return *result;
  PumpUntil([&] { return result->Completed; }, timeoutMs);
  return *result;
}

}  // namespace

ViewEngine* SharedView() {
  auto& slot = ViewSlot();
  if (slot) return slot->View ? slot.get() : nullptr;
  slot = std::make_unique<ViewEngine>();
  ViewEngine& engine = *slot;
  engine.Server = &SharedServer();
  engine.Temp = std::make_unique<testsupport::TempDir>();
  engine.UserDataFolder = engine.Temp->File(QStringLiteral("profile/EdgeCache"));

  bool created = false;
  HRESULT result = E_FAIL;
  const HRESULT started =
      CreateCoreWebView2EnvironmentWithOptions(QString(), engine.UserDataFolder, nullptr,
                                               [&](HRESULT hr, std::shared_ptr<ICoreWebView2Environment> environment) {
                                                 result = hr;
                                                 engine.Environment = std::move(environment);
                                                 created = true;
                                                 return S_OK;
                                               });
  EXPECT_EQ(started, S_OK);
  if (FAILED(started) || !PumpUntil([&] { return created; }) || FAILED(result)) {
    ADD_FAILURE() << "no environment";
    return nullptr;
  }

  engine.Window = std::make_unique<QWidget>();
  engine.Window->resize(800, 600);
  engine.Window->show();
  engine.Controller = MakeController(engine.Environment.get(), engine.Window.get());
  if (!engine.Controller) return nullptr;
  engine.Controller->put_Bounds(QRect(0, 0, 800, 600));
  engine.Controller->get_CoreWebView2(&engine.View);
  return engine.View ? &engine : nullptr;
}

std::shared_ptr<ICoreWebView2Controller> NewController(QWidget* window) {
  ViewEngine* engine = SharedView();
  return engine ? MakeController(engine->Environment.get(), window) : nullptr;
}

QString RunScript(ICoreWebView2* view, const QString& script, int timeoutMs) {
  auto state = std::make_shared<std::pair<bool, QString>>(false, QString());
  if (FAILED(view->ExecuteScript(script, [state](HRESULT hr, const QString& json) {
        EXPECT_EQ(hr, S_OK);
        *state = {true, json};
        return S_OK;
      })))
    return QStringLiteral("<refused>");
  if (!PumpUntil([&] { return state->first; }, timeoutMs)) return QStringLiteral("<no answer>");
  return state->second;
}

NavigationResult NavigateAndWait(ICoreWebView2* view, const QString& uri, int timeoutMs) {
  return Wait(
      view, [&] { return view->Navigate(uri); }, timeoutMs);
}

NavigationResult NavigateToStringAndWait(ICoreWebView2* view, const QString& html, int timeoutMs) {
  return Wait(
      view, [&] { return view->NavigateToString(html); }, timeoutMs);
}

}  // namespace enginetest
