// The browser control against a scripted platform browser: forwarding, the
// asynchronous queue, the synchronous call and its counted rounds, the
// poller, the bridge script; and the platform-service registry.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include "platform/vcl/Forms.h"
#include "tests/browser/FakeEngine.h"

using namespace enginetest;

namespace {

class TTestBrowser : public TKitWebBrowser {
 public:
  using TKitWebBrowser::TKitWebBrowser;
  using TKitCustomWebBrowser::DoCheckReadyState;
  using TKitCustomWebBrowser::ScriptQueueCount;
};

// An object that tells when it is freed.
class TFlagObject : public TObject {
 public:
  explicit TFlagObject(bool* AFreed) : FFreed(AFreed) {}
  ~TFlagObject() override { *FFreed = true; }

 private:
  bool* FFreed;
};

class ControlWithFakeEngine : public ::testing::Test {
 protected:
  FakeServiceScope Scope{std::make_shared<FakeService>()};
  std::unique_ptr<TTestBrowser> Browser = CreateUnique<TTestBrowser>(nullptr);
  FakeWebBrowser& Fake() { return *Scope.Service->Last; }
  // Initialize as a parent change does it: the view exists afterwards.
  void GiveView() { Browser->Initialize(); }
};

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < timeoutMs) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return done();
}

}  // namespace

TEST(KitWebBrowserRegistry, KeysOnTheGuidAndKeepsTheFirstService) {
  TKitWebBrowserPlatformServices registry;
  auto first = std::make_shared<FakeService>();
  auto second = std::make_shared<FakeService>();
  const QUuid other(QStringLiteral("{11111111-2222-3333-4444-555555555555}"));

  registry.AddPlatformService(IKitWebBrowserService::IID, first);
  registry.AddPlatformService(IKitWebBrowserService::IID, second);
  registry.AddPlatformService(other, first);  // does not implement that interface
  EXPECT_EQ(registry.Count(), 1);
  EXPECT_EQ(registry.GetPlatformService(IKitWebBrowserService::IID), first);
  EXPECT_EQ(registry.GetPlatformService(other), nullptr);
  std::shared_ptr<IKitInterface> found;
  EXPECT_TRUE(registry.SupportsPlatformService(IKitWebBrowserService::IID, found));
  EXPECT_EQ(found, first);
  EXPECT_FALSE(registry.SupportsPlatformService(other, found));
  EXPECT_EQ(found, nullptr);
  EXPECT_EQ(KitGUIDToString(IKitWebBrowserService::IID), QStringLiteral("{94C7BF89-2B0A-40DF-8C24-B393CEB91389}"));

  registry.RemovePlatformService(IKitWebBrowserService::IID);
  EXPECT_EQ(registry.Count(), 0);
  EXPECT_FALSE(registry.SupportsPlatformService(IKitWebBrowserService::IID));
  registry.RemovePlatformService(IKitWebBrowserService::IID);  // nothing left: nothing happens
}

TEST(KitWebBrowserRegistry, FactoryServiceKeepsTheBrowsersItMade) {
  FakeService service;
  std::shared_ptr<IKitCustomWebBrowser> a = service.CreateWebBrowser(nullptr);
  std::shared_ptr<IKitCustomWebBrowser> b = service.CreateWebBrowser(nullptr);
  ASSERT_EQ(service.WebBrowsers().size(), 2u);
  service.DestroyWebBrowser(std::make_shared<FakeWebBrowser>(nullptr));  // unknown
  EXPECT_EQ(service.WebBrowsers().size(), 2u);
  service.DestroyWebBrowser(a);
  service.DestroyWebBrowser(b);
  EXPECT_TRUE(service.WebBrowsers().empty());
}

TEST(KitWebBrowserRegistry, ControlsGetAndGiveBackTheirPlatformBrowser) {
  FakeServiceScope scope(std::make_shared<FakeService>());
  auto browser = CreateUnique<TTestBrowser>(nullptr);
  EXPECT_EQ(browser->WebBrowser(), scope.Service->Last);
  EXPECT_EQ(scope.Service->WebBrowsers().size(), 1u);
  EXPECT_EQ(browser->Width(), 500);
  EXPECT_EQ(browser->Height(), 350);
  EXPECT_EQ(browser->Version(), QStringLiteral("1.1.4.6"));
  browser->DeleteCookies();
  EXPECT_EQ(scope.Service->CookieDeletions, 1);
  const std::shared_ptr<FakeWebBrowser> fake = scope.Service->Last;
  browser.reset();
  EXPECT_TRUE(scope.Service->WebBrowsers().empty());
  EXPECT_EQ(fake->Calls.last(), QStringLiteral("DeInitialize"));
}

TEST(KitWebBrowserNoService, IsAPlainControlWhoseOperationsDoNothing) {
  FakeServiceScope scope(nullptr);
  auto browser = CreateUnique<TTestBrowser>(nullptr);
  EXPECT_EQ(browser->WebBrowser(), nullptr);
  int rounds = 0;
  browser->SetSyncPump([&] { ++rounds; });
  EXPECT_EQ(browser->ExecuteJavaScriptSync(QStringLiteral("1 + 1")), QString());
  EXPECT_EQ(rounds, 0) << "no service: the empty text at once";

  browser->SetURL(QStringLiteral("http://127.0.0.1/a"));
  EXPECT_EQ(browser->URL(), QStringLiteral("http://127.0.0.1/a"));
  browser->SetUserAgent(QStringLiteral("Agent/1"));
  EXPECT_EQ(browser->UserAgent(), QString()) << "lost without a platform browser";
  browser->SetEnableContextMenu(false);
  EXPECT_FALSE(browser->EnableContextMenu());
  EXPECT_EQ(browser->CacheFolder(), QString());
  EXPECT_FALSE(browser->AutoClearCache());
  bool completed = false;
  browser->ExecuteJavaScript(QStringLiteral("1"), [&](const QString&) { completed = true; });
  EXPECT_FALSE(completed);
  EXPECT_FALSE(browser->CanGoBack());
  EXPECT_EQ(browser->NativeBrowser(), nullptr);
  browser->Navigate(QStringLiteral("http://127.0.0.1/"));
  browser->LoadHTML(QStringLiteral("<p>x</p>"));
  bool freed = false;
  browser->AddBridge(QStringLiteral("b"), new TFlagObject(&freed));
  EXPECT_TRUE(freed) << "an object handed over with nobody to keep it is freed";
}

TEST_F(ControlWithFakeEngine, ForwardsPropertiesAndNavigation) {
  Browser->SetURL(QString());
  EXPECT_EQ(Fake().Calls, QStringList({QStringLiteral("SetURL ")})) << "the empty URL does not navigate";
  Fake().Calls.clear();
  Browser->SetURL(QStringLiteral("http://127.0.0.1/x"));
  EXPECT_EQ(Fake().Calls, QStringList({QStringLiteral("SetURL http://127.0.0.1/x"), QStringLiteral("Navigate")}));
  EXPECT_EQ(Browser->URL(), QStringLiteral("http://127.0.0.1/x"));
  Browser->SetUserAgent(QStringLiteral("Agent/2"));
  EXPECT_EQ(Browser->UserAgent(), QStringLiteral("Agent/2"));
  Browser->SetEnableContextMenu(false);
  EXPECT_FALSE(Browser->EnableContextMenu());
  Fake().Calls.clear();
  Browser->SetEnabled(false);
  Browser->GoBack();
  Browser->GoForward();
  Browser->Reload();
  Browser->StopLoading();
  Browser->LoadFile(QStringLiteral("file:///tmp/a.html"));
  Browser->CaptureScreenShot();
  EXPECT_EQ(Fake().Calls, QStringList({"UpdateEnabled", "GoBack", "GoForward", "Reload", "StopLoading",
                                       "LoadFile file:///tmp/a.html", "CaptureScreenShot"}));
}

TEST_F(ControlWithFakeEngine, NavigationEventsPassTheirRecords) {
  QStringList seen;
  Browser->OnBeforeNavigate = [&](TObject* Sender, TKitCustomWebBrowserBeforeNavigateParams& P) {
    EXPECT_EQ(Sender, Browser.get());
    seen << "before " + P.URL;
    P.Cancel = true;
  };
  Browser->OnNavigateComplete = [&](TObject*, TKitCustomWebBrowserNavigateCompleteParams& P) {
    seen << QStringLiteral("complete %1 %2 %3").arg(P.URL).arg(P.Success).arg(P.ErrorCode);
  };
  TKitCustomWebBrowserBeforeNavigateParams before{QStringLiteral("http://a/"), false};
  Browser->BeforeNavigate(before);
  EXPECT_TRUE(before.Cancel) << "the handler's answer reaches the caller";
  TKitCustomWebBrowserNavigateCompleteParams complete{QStringLiteral("http://a/"), false, 12};
  Browser->NavigateComplete(complete);
  EXPECT_EQ(seen, QStringList({"before http://a/", "complete http://a/ 0 12"}));
}

TEST_F(ControlWithFakeEngine, QueuedScriptsRunOneAfterTheOtherInOrder) {
  GiveView();
  ASSERT_TRUE(Browser->IsInitialized());
  QStringList order;
  for (int i = 1; i <= 3; ++i)
    Browser->ExecuteJavaScript(QString::number(i), [&, i](const QString& v) {
      order << QStringLiteral("%1:%2").arg(i).arg(v);
      // The next script starts only after this completion returned.
      EXPECT_TRUE(Fake().Scripts.empty());
    });
  EXPECT_EQ(Fake().Started, QStringList({"1"})) << "the others wait for the first";
  EXPECT_EQ(Browser->ScriptQueueCount(), 3);
  Fake().Answer(QStringLiteral("\"a\""));
  EXPECT_EQ(Fake().Started, QStringList({"1", "2"}));
  Fake().Answer(QStringLiteral("\"b\""));
  Fake().Answer(QStringLiteral("\"c\""));
  EXPECT_EQ(order, QStringList({"1:\"a\"", "2:\"b\"", "3:\"c\""}));
  EXPECT_EQ(Browser->ScriptQueueCount(), 0);

  // An immediate script bypasses the queue.
  Browser->ExecuteJavaScript(QStringLiteral("slow"), nullptr);
  Browser->ExecuteJavaScript(QStringLiteral("now"), nullptr, true);
  EXPECT_EQ(Fake().Started.mid(3), QStringList({"slow", "now"}));
  EXPECT_EQ(Browser->ScriptQueueCount(), 1);
}

TEST_F(ControlWithFakeEngine, ScriptsBeforeInitializationAreDropped) {
  bool completed = false;
  Browser->ExecuteJavaScript(QStringLiteral("1"), [&](const QString&) { completed = true; });
  Browser->ExecuteJavaScript(QStringLiteral("2"), [&](const QString&) { completed = true; }, true);
  EXPECT_EQ(Browser->ScriptQueueCount(), 0);
  GiveView();
  Fake().Answer(QStringLiteral("1"));
  EXPECT_FALSE(completed);
  EXPECT_TRUE(Fake().Started.isEmpty());
}

TEST_F(ControlWithFakeEngine, DeInitializeEmptiesTheQueueAndItsStaleAnswersChangeNothing) {
  GiveView();
  QStringList order;
  Browser->ExecuteJavaScript(QStringLiteral("old1"), [&](const QString& v) { order << "old1 " + v; });
  Browser->ExecuteJavaScript(QStringLiteral("old2"), [&](const QString& v) { order << "old2 " + v; });
  Browser->DeInitialize();
  EXPECT_EQ(Browser->ScriptQueueCount(), 0);
  GiveView();
  Browser->ExecuteJavaScript(QStringLiteral("new1"), [&](const QString& v) { order << "new1 " + v; });
  Browser->ExecuteJavaScript(QStringLiteral("new2"), [&](const QString& v) { order << "new2 " + v; });
  EXPECT_EQ(Fake().Started, QStringList({"old1", "new1"})) << "the new queue does not wait for the old one";
  // The released view's late answer to old1 leaves the new queue alone.
  Fake().Answer(QStringLiteral("null"));
  EXPECT_EQ(Browser->ScriptQueueCount(), 2);
  Fake().Answer(QStringLiteral("1"));
  Fake().Answer(QStringLiteral("2"));
  EXPECT_EQ(order, QStringList({"old1 null", "new1 1", "new2 2"}));
}

TEST_F(ControlWithFakeEngine, SynchronousCallsCountTheirRounds) {
  GiveView();
  struct Case {
    int AnswerAtRound;  // 0: never
    const char* Answer;
    int Rounds;
    const char* Result;
  } cases[] = {
      {1, "\"complete\"", 1, "\"complete\""},
      {5, "{\"a\":[1,\"\\u00e9\"]}", 5, "{\"a\":[1,\"\\u00e9\"]}"},
      {60001, "42", 60001, "42"},
      {0, "", 60001, ""},
  };
  for (const Case& c : cases) {
    Fake().Scripts.clear();
    int rounds = 0;
    Browser->SetSyncPump([&] {
      ++rounds;
      if (rounds == c.AnswerAtRound) Fake().Answer(QString::fromUtf8(c.Answer));
    });
    EXPECT_EQ(Browser->ExecuteJavaScriptSync(QStringLiteral("x")), QString::fromUtf8(c.Result)) << c.AnswerAtRound;
    EXPECT_EQ(rounds, c.Rounds) << c.AnswerAtRound;
  }
  // Without a view no answer can come: no waiting at all.
  Browser->DeInitialize();
  int rounds = 0;
  Browser->SetSyncPump([&] { ++rounds; });
  EXPECT_EQ(Browser->ExecuteJavaScriptSync(QStringLiteral("x")), QString());
  EXPECT_EQ(rounds, 0);
}

TEST_F(ControlWithFakeEngine, NestedSynchronousCallsKeepTheirOwnResults) {
  GiveView();
  QString inner;
  int rounds = 0;
  Browser->SetSyncPump([&] {
    ++rounds;
    if (rounds == 1) {
      // A handler run by the wait makes its own synchronous call; the
      // outer script's answer arrives first.
      Fake().Answer(QStringLiteral("\"outer\""));
      inner = Browser->ExecuteJavaScriptSync(QStringLiteral("inner"));
    } else if (rounds == 3) {
      Fake().Answer(QStringLiteral("\"inner\""));
    }
  });
  EXPECT_EQ(Browser->ExecuteJavaScriptSync(QStringLiteral("outer")), QStringLiteral("\"outer\""));
  EXPECT_EQ(inner, QStringLiteral("\"inner\""));
}

TEST_F(ControlWithFakeEngine, DestroyingTheControlDuringTheWaitEndsIt) {
  GiveView();
  int rounds = 0;
  TTestBrowser* browser = Browser.get();
  browser->SetSyncPump([&] {
    if (++rounds == 3) Browser.reset();  // a window closed by an event handled in the wait
  });
  EXPECT_EQ(browser->ExecuteJavaScriptSync(QStringLiteral("x")), QString());
  EXPECT_EQ(rounds, 3);
  EXPECT_EQ(Scope.Service->WebBrowsers().size(), 0u);
}

TEST_F(ControlWithFakeEngine, ThePollerFiresDocumentCompleteOnceThePageIsComplete) {
  GiveView();
  int completes = 0;
  Browser->OnDocumentComplete = [&](TObject*) { ++completes; };
  Browser->StartDocumentReadyStateThread();
  ASSERT_TRUE(PumpUntil([&] { return !Fake().Scripts.empty(); }, 3000));
  EXPECT_EQ(Fake().Started, QStringList({"document.readyState"}));
  Fake().Answer(QStringLiteral("\"interactive\""));
  ASSERT_TRUE(PumpUntil([&] { return !Fake().Scripts.empty(); }, 3000)) << "asks again";
  EXPECT_FALSE(Browser->IsReady());
  Fake().Answer(QStringLiteral("\"Complete\""));
  EXPECT_TRUE(Browser->IsReady()) << "quotes removed, case ignored";
  ASSERT_TRUE(PumpUntil([&] { return completes == 1; }, 3000));
  // Navigating makes the page not ready again.
  Browser->Navigate(QStringLiteral("http://127.0.0.1/"));
  EXPECT_FALSE(Browser->IsReady());
}

TEST_F(ControlWithFakeEngine, ThePollerKeepsOneQueryAtATime) {
  GiveView();
  Browser->StartDocumentReadyStateThread();
  // A page that never answers: ten rounds of the poller later, one query.
  PumpUntil([] { return false; }, 1100);
  EXPECT_EQ(Fake().Started, QStringList({"document.readyState"}));
  EXPECT_EQ(Browser->ScriptQueueCount(), 1);
  Fake().Answer(QStringLiteral("\"loading\""));
  ASSERT_TRUE(PumpUntil([&] { return Fake().Started.size() == 2; }, 3000));
  EXPECT_EQ(Browser->ScriptQueueCount(), 1);
}

TEST_F(ControlWithFakeEngine, ReadyStateAnswers) {
  GiveView();
  const struct {
    const char* Value;
    bool Ready;
  } cases[] = {{"\"complete\"", true}, {"\"Complete\"", true}, {"COMPLETE", true}, {"\"interactive\"", false},
               {"\"loading\"", false}, {"", false},           {"null", false}};
  for (const auto& c : cases) {
    Browser->Navigate(QStringLiteral("http://127.0.0.1/"));
    Browser->DoCheckReadyState(QString::fromUtf8(c.Value));
    EXPECT_EQ(Browser->IsReady(), c.Ready) << c.Value;
  }
}

TEST_F(ControlWithFakeEngine, BridgesReplaceTheirNamesakeAndTheLayerScriptIsExact) {
  Browser->AddBridge(QStringLiteral("lead"), new TObject);
  EXPECT_EQ(Fake().Calls.mid(Fake().Calls.size() - 2), QStringList({"RemoveBridge lead", "AddBridge lead"}));
  EXPECT_EQ(Browser->GetBridgeCommunicationLayer(QStringLiteral("lead")),
            QStringLiteral("var sendleadObjectMessage = function(parameters) {\r  var v = parameters;\rif "
                           "(!window.chrome || !window.chrome.webview || !window.chrome.webview.hostObjects || "
                           "!window.chrome.webview.hostObjects.sync) {\r  return;\r}\rvar obj = "
                           "window.chrome.webview.hostObjects.sync.lead;\r  if (obj) {\r    obj.ObjectMessage = "
                           "v;\r  }\r};"));
}

TEST_F(ControlWithFakeEngine, HandlersThatRaiseReachTheApplication) {
  GiveView();
  QStringList reported;
  Application->OnException = [&](TObject*, const Exception& E) { reported << E.Message(); };
  Browser->OnDocumentComplete = [](TObject*) { throw Exception(QStringLiteral("handler failed")); };
  Browser->StartDocumentReadyStateThread();
  ASSERT_TRUE(PumpUntil([&] { return !Fake().Scripts.empty(); }, 3000));
  Fake().Answer(QStringLiteral("\"complete\""));
  EXPECT_TRUE(PumpUntil([&] { return !reported.isEmpty(); }, 3000));
  Application->OnException = nullptr;
  EXPECT_EQ(reported, QStringList({"handler failed"}));
}
