#include "tests/platform/webview2/EngineFixture.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>

namespace webview2test {

namespace {

// Before the application exists: the engine's sandbox cannot run as root
// (tests and CI run as root) and there is no GPU; the private document
// scheme must be registered.
void PrepareEngine() {
  if (!qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  if (!qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS")) qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
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
    auto& engine = SharedSlot();
    if (!engine) return;
    if (engine->Controller) engine->Controller->Close();
    engine->View.reset();
    engine->Controller.reset();
    engine->Environment.reset();
    // Let the closed view go through the event loop before its window.
    PumpUntil([] { return false; }, 300);
    engine.reset();
  }
};
::testing::Environment* const kRelease = ::testing::AddGlobalTestEnvironment(new EngineRelease);

}  // namespace

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() >= timeoutMs) return done();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  return true;
}

namespace {
std::shared_ptr<ICoreWebView2Controller> MakeController(ICoreWebView2Environment* environment, QWidget* window) {
  std::shared_ptr<ICoreWebView2Controller> controller;
  bool done = false;
  HRESULT result = E_FAIL;
  EXPECT_EQ(environment->CreateCoreWebView2Controller(
                window,
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
}  // namespace

std::shared_ptr<ICoreWebView2Controller> NewController(QWidget* window) {
  Engine* engine = Shared();
  return engine ? MakeController(engine->Environment.get(), window) : nullptr;
}

Engine* Shared() {
  (void)kPrepared;
  (void)kRelease;
  auto& slot = SharedSlot();
  if (slot) return slot->View ? slot.get() : nullptr;
  slot = std::make_unique<Engine>();
  Engine& engine = *slot;
  engine.Server = std::make_unique<tools::DirectoryServer>(tools::DirectoryServerOptions{});
  engine.Temp = std::make_unique<testsupport::TempDir>();
  engine.UserDataFolder = engine.Temp->File(QStringLiteral("profile/EdgeCache"));

  bool created = false;
  HRESULT result = E_FAIL;
  const HRESULT started = CreateCoreWebView2EnvironmentWithOptions(
      QString(), engine.UserDataFolder, nullptr,
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

namespace {
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

NavigationResult NavigateAndWait(ICoreWebView2* view, const QString& uri, int timeoutMs) {
  return Wait(view, [&] { return view->Navigate(uri); }, timeoutMs);
}

NavigationResult NavigateToStringAndWait(ICoreWebView2* view, const QString& html, int timeoutMs) {
  return Wait(view, [&] { return view->NavigateToString(html); }, timeoutMs);
}

}  // namespace webview2test
