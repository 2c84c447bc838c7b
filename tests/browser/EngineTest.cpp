// The browser control on the real engine against the loopback directory
// server: start-up, navigation and its events, HTML documents, scripts (the
// queue and the synchronous call's JSON), the bridge, the user agent,
// screenshots, the failure messages and the cache folder's life.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QColor>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>

#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Graphics.h"
#include "tests/engine/EngineSupport.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/TestSupport.h"

using namespace enginetest;

namespace {

// What WebView2 answers for each kind of value.
void ExpectValueCases(TKitWebBrowser* browser) {
  for (const ScriptCase& c : kScriptValueCases)
    EXPECT_EQ(browser->ExecuteJavaScriptSync(QString::fromUtf8(c.Script)), QString::fromUtf8(c.Json)) << c.Script;
}

mode_t ModeOf(const QString& path) {
  struct stat info {};
  return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? (info.st_mode & 0777) : 0;
}

}  // namespace

TEST(KitWebBrowserEngine, IsInitializedWhenItsParentIsSetAndShowsTheStartPage) {
  int initialized = 0;
  bool started = false;
  BrowserWindow window([&](TKitWebBrowser* browser) {
    browser->OnInitialized = [&](TObject*) { ++initialized; };
    browser->OnNavigateComplete = [&](TObject*, TKitCustomWebBrowserNavigateCompleteParams&) { started = true; };
  });
  EXPECT_EQ(initialized, 1) << "before SetParent returned";
  ASSERT_TRUE(window.Browser->IsInitialized());
  ASSERT_TRUE(PumpUntil([&] { return started; }));
  const QString heading = window.Browser->ExecuteJavaScriptSync(QStringLiteral("document.querySelector('h1').textContent"));
  EXPECT_EQ(heading, QStringLiteral("\"Edge Chromium %1 is successfully initialized!\"")
                         .arg(KitWebBrowserWin::AvailableBrowserVersion));
  EXPECT_FALSE(KitWebBrowserWin::AvailableBrowserVersion.isEmpty());
  EXPECT_TRUE(KitWebBrowserWin::InitialPageHTML(QString()).contains(QLatin1String("Edge Chromium  is successfully")));
}

TEST(KitWebBrowserEngine, GetsItsViewOnAParentThatHasNoWindowYet) {
  // A form built before it is shown: the browser goes onto a panel whose
  // window does not exist yet.
  auto form = std::make_unique<TForm>(nullptr);
  form->SetBounds(0, 0, 640, 480);
  auto* panel = new TPanel(form.get());
  panel->SetParent(form.get());
  panel->SetAlign(alClient);
  ASSERT_FALSE(panel->HandleAllocated());
  auto* browser = Create<TKitWebBrowser>(form.get());
  browser->SetCacheFolderName(QStringLiteral("EdgeCache-%1").arg(QCoreApplication::applicationPid()));
  browser->SetParent(panel);
  browser->SetAlign(alClient);
  form->Show();
  ASSERT_TRUE(PumpUntil([&] { return browser->IsInitialized(); }));
  EXPECT_EQ(browser->ExecuteJavaScriptSync(QStringLiteral("6 * 7")), QStringLiteral("42"));
  form.reset();
  PumpUntil([] { return false; }, 100);
}

TEST(KitWebBrowserEngine, NavigationRaisesItsEvents) {
  Engine* engine = Shared();
  ASSERT_TRUE(engine);
  TKitWebBrowser* browser = engine->Browser();
  const QString url = engine->Server->ResultsUrl(QStringLiteral("plombier"), QStringLiteral("paris"), 1);
  QStringList events;
  browser->OnBeforeNavigate = [&](TObject*, TKitCustomWebBrowserBeforeNavigateParams& P) { events << "before " + P.URL; };
  const TKitCustomWebBrowserNavigateCompleteParams done = NavigateAndWait(browser, url);
  browser->OnBeforeNavigate = nullptr;
  EXPECT_EQ(events, QStringList({"before " + url}));
  EXPECT_EQ(done.URL, url);
  EXPECT_TRUE(done.Success);
  EXPECT_EQ(done.ErrorCode, 0);
  EXPECT_EQ(browser->URL(), url);

  // A refused connection.
  const QString refused = QStringLiteral("http://127.0.0.1:%1/").arg(tools::LoopbackHttpServer::UnusedPort());
  const TKitCustomWebBrowserNavigateCompleteParams failed = NavigateAndWait(browser, refused);
  EXPECT_EQ(failed.URL, refused);
  EXPECT_FALSE(failed.Success);
  EXPECT_NE(failed.ErrorCode, 0);

  // A cancelled navigation never reaches the server.
  browser->OnBeforeNavigate = [](TObject*, TKitCustomWebBrowserBeforeNavigateParams& P) {
    if (P.URL.contains(QLatin1String("cancelled"))) P.Cancel = true;
  };
  engine->Server->Http().AddPage("/cancelled.html", "<p>no</p>");
  bool completed = false;
  browser->OnNavigateComplete = [&](TObject*, TKitCustomWebBrowserNavigateCompleteParams&) { completed = true; };
  browser->Navigate(engine->Server->Url(QStringLiteral("/cancelled.html")));
  PumpUntil([&] { return completed; }, 3000);
  browser->OnBeforeNavigate = nullptr;
  browser->OnNavigateComplete = nullptr;
  EXPECT_EQ(engine->Server->Http().RequestCount("/cancelled.html"), 0);
}

TEST(KitWebBrowserEngine, LoadsSmallAndLargeHtml) {
  Engine* engine = Shared();
  ASSERT_TRUE(engine);
  TKitWebBrowser* browser = engine->Browser();
  ASSERT_TRUE(NavigateAndWait(browser, QString(), QStringLiteral("<html><body><p id=m>petit été</p></body></html>")).Success);
  EXPECT_EQ(browser->ExecuteJavaScriptSync(QStringLiteral("document.getElementById('m').textContent")),
            QStringLiteral("\"petit été\""));

  QString large = QStringLiteral("<html><body><div>");
  const QString filler = QStringLiteral("<p>Ligne de remplissage à l'été, numéro quelconque.</p>\n");
  while (large.size() < 3 * 1024 * 1024) large += filler;
  large += QStringLiteral("</div><p id=end>fin</p></body></html>");
  ASSERT_TRUE(NavigateAndWait(browser, QString(), large).Success);
  EXPECT_EQ(browser->ExecuteJavaScriptSync(QStringLiteral("document.getElementById('end').textContent")),
            QStringLiteral("\"fin\""));
  EXPECT_EQ(browser->ExecuteJavaScriptSync(QStringLiteral("document.getElementsByTagName('p').length")),
            QString::number(large.count(QLatin1String("<p")) ));
}

TEST(KitWebBrowserEngine, QueuedScriptsRunInIssueOrder) {
  Engine* engine = Shared();
  ASSERT_TRUE(engine);
  TKitWebBrowser* browser = engine->Browser();
  ASSERT_TRUE(NavigateAndWait(browser, engine->Server->ResultsUrl(QStringLiteral("plombier"), QStringLiteral("paris"), 1)).Success);
  QStringList order;
  browser->ExecuteJavaScript(QStringLiteral("var end = Date.now() + 200; while (Date.now() < end) {} window.tfStep = 1; 'slow'"),
                             [&](const QString& v) { order << v; });
  // Each later script sees what the one before it left.
  browser->ExecuteJavaScript(QStringLiteral("window.tfStep = window.tfStep + 1; window.tfStep"),
                             [&](const QString& v) { order << v; });
  browser->ExecuteJavaScript(QStringLiteral("window.tfStep * 10"), [&](const QString& v) { order << v; });
  ASSERT_TRUE(PumpUntil([&] { return order.size() == 3; }));
  EXPECT_EQ(order, QStringList({"\"slow\"", "2", "20"}));
}

TEST(KitWebBrowserEngine, SynchronousScriptsAnswerWebView2Json) {
  Engine* engine = Shared();
  ASSERT_TRUE(engine);
  TKitWebBrowser* browser = engine->Browser();
  ASSERT_TRUE(NavigateAndWait(browser, engine->Server->ResultsUrl(QStringLiteral("plombier"), QStringLiteral("paris"), 1)).Success);
  ExpectValueCases(browser);
  EXPECT_EQ(browser->ExecuteJavaScriptSync(QStringLiteral("document.querySelectorAll('li[class*=\"bi bi-generic\"]').length")),
            QStringLiteral("21"));

  // The same on a page whose policy forbids inline scripts.
  ASSERT_TRUE(NavigateAndWait(browser, engine->Server->Url(QString::fromLatin1(tools::DirectoryServer::kCspPath))).Success);
  EXPECT_EQ(browser->ExecuteJavaScriptSync(QStringLiteral("document.title")), QStringLiteral("\"Page protégée\""));
  ExpectValueCases(browser);
}

TEST(KitWebBrowserEngine, PageScriptsReachTheControlThroughTheBridge) {
  Engine* engine = Shared();
  ASSERT_TRUE(engine);
  TKitWebBrowser* browser = engine->Browser();
  engine->Server->Http().AddPage("/bridge.html",
                                 "<html><body><p>pont</p><script>"
                                 "window.chrome.webview.hostObjects.sync.bridge.ObjectMessage = 'lead:42';"
                                 "</script></body></html>");
  QStringList messages;
  browser->OnBeforeNavigate = [&](TObject*, TKitCustomWebBrowserBeforeNavigateParams& P) { messages << P.URL; };
  const QString url = engine->Server->Url(QStringLiteral("/bridge.html"));
  ASSERT_TRUE(NavigateAndWait(browser, url).Success);
  ASSERT_TRUE(PumpUntil([&] { return messages.contains(QStringLiteral("lead:42")); }, 10000)) << messages.join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(messages.first(), url) << "the navigation came first";

  // The sending function of the bridge script does the same.
  browser->ExecuteJavaScriptSync(browser->GetBridgeCommunicationLayer(QStringLiteral("bridge")));
  browser->ExecuteJavaScriptSync(QStringLiteral("sendbridgeObjectMessage('envoyé é')"));
  EXPECT_TRUE(PumpUntil([&] { return messages.contains(QStringLiteral("envoyé é")); }, 10000)) << messages.join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(browser->URL(), QStringLiteral("envoyé é")) << "the message is the control's URL now";
  browser->OnBeforeNavigate = nullptr;
}

TEST(KitWebBrowserEngine, TheUserAgentReachesTheServer) {
  Engine* engine = Shared();
  ASSERT_TRUE(engine);
  TKitWebBrowser* browser = engine->Browser();
  const QString original = browser->UserAgent();
  EXPECT_FALSE(original.isEmpty());
  browser->SetUserAgent(QStringLiteral("Tallowfinch-Test/1.0 (X11; Linux)"));
  engine->Server->Http().AddPage("/agent.html", "<p>agent</p>");
  ASSERT_TRUE(NavigateAndWait(browser, engine->Server->Url(QStringLiteral("/agent.html"))).Success);
  QByteArray agent;
  for (const auto& request : engine->Server->Http().Requests())
    if (request.Path == "/agent.html") agent = request.Header("User-Agent");
  EXPECT_EQ(agent, QByteArray("Tallowfinch-Test/1.0 (X11; Linux)"));
  EXPECT_EQ(browser->UserAgent(), QStringLiteral("Tallowfinch-Test/1.0 (X11; Linux)"));
  browser->SetUserAgent(QString());
  EXPECT_EQ(browser->UserAgent(), original);
}

TEST(KitWebBrowserEngine, AScreenshotShowsThePage) {
  Engine* engine = Shared();
  ASSERT_TRUE(engine);
  TKitWebBrowser* browser = engine->Browser();
  ASSERT_TRUE(NavigateAndWait(browser, engine->Server->ResultsUrl(QStringLiteral("plombier"), QStringLiteral("paris"), 1)).Success);
  const QColor banner(QString::fromLatin1(tools::DirectoryServer::kBannerColour));
  QImage picture;
  // The first frame of a new page may still be on its way.
  for (int attempt = 0; attempt < 40; ++attempt) {
    bool captured = false;
    browser->OnCaptureScreenShot = [&](TObject*, TKitBitmap* P) {
      captured = true;
      picture = P->Graphic() ? P->Graphic()->ToImage() : QImage();
    };
    browser->CaptureScreenShot();
    ASSERT_TRUE(PumpUntil([&] { return captured; }, 5000));
    if (!picture.isNull() && QColor(picture.pixel(10, 10)) == banner) break;
    PumpUntil([] { return false; }, 100);
  }
  browser->OnCaptureScreenShot = nullptr;
  ASSERT_FALSE(picture.isNull());
  EXPECT_EQ(picture.size(), QSize(browser->Width(), browser->Height()));
  EXPECT_EQ(QColor(picture.pixel(10, 10)), banner) << "the banner at the top of the page";
  EXPECT_EQ(QColor(picture.pixel(picture.width() - 20, tools::DirectoryServer::kBannerHeight + 5)), QColor(Qt::white));
}

TEST(KitWebBrowserEngine, FailuresAreReportedOnceEach) {
  testsupport::FakeMessageDialogs dialogs;
  const auto savedProc = KitWebBrowserWin::CreateCoreWebView2EnvironmentWithOptionsProc;
  const bool savedLoaded = KitWebBrowserWin::LoaderLoaded;
  KitWebBrowserWin::CreateCoreWebView2EnvironmentWithOptionsProc = nullptr;
  struct {
    bool Loaded;
    bool Suppressed;
    const char* Message;
  } cases[] = {{false, false, KitWebBrowserWin::kMessageLoaderMissing},
               {true, false, KitWebBrowserWin::kMessageInitFailed},
               {false, true, nullptr}};
  for (const auto& c : cases) {
    dialogs.Requests.clear();
    KitWebBrowserWin::LoaderLoaded = c.Loaded;
    KitWebBrowserWin::SuppressInitMessages = c.Suppressed;
    BrowserWindow window;
    EXPECT_FALSE(window.Browser->IsInitialized());
    int rounds = 0;
    window.Browser->SetSyncPump([&] { ++rounds; });
    EXPECT_EQ(window.Browser->ExecuteJavaScriptSync(QStringLiteral("1")), QString());
    EXPECT_EQ(rounds, 0) << "no view: no wait";
    ASSERT_EQ(dialogs.Requests.size(), c.Message ? 1 : 0);
    if (c.Message) {
      EXPECT_EQ(dialogs.Requests.front().Text, QString::fromLatin1(c.Message));
    }
  }
  KitWebBrowserWin::CreateCoreWebView2EnvironmentWithOptionsProc = savedProc;
  KitWebBrowserWin::LoaderLoaded = savedLoaded;
  KitWebBrowserWin::SuppressInitMessages = false;
}

TEST(KitWebBrowserEngine, TheCacheFolderIsPrivateSharedAndGoesWithTheLastBrowser) {
  auto prepare = [](TKitWebBrowser* browser) { browser->SetCacheFolderName(QStringLiteral("LifeCycleCache")); };
  auto first = std::make_unique<BrowserWindow>(prepare);
  ASSERT_TRUE(first->Browser->IsInitialized());
  const QString folder = first->Platform()->FullCacheFolderName();
  EXPECT_TRUE(folder.endsWith(QLatin1String("/LifeCycleCache")));
  EXPECT_TRUE(folder.startsWith(KitWebBrowserWin::PrivateTempPath()));
  EXPECT_TRUE(QFileInfo(folder).isDir());
  EXPECT_EQ(ModeOf(folder), 0700u);
  EXPECT_EQ(ModeOf(KitWebBrowserWin::PrivateTempPath()), 0700u);
  EXPECT_EQ(ModeOf(first->Browser->CacheFolder()), 0700u);

  auto second = std::make_unique<BrowserWindow>(prepare);
  ASSERT_TRUE(second->Browser->IsInitialized());
  EXPECT_EQ(second->Platform()->FullCacheFolderName(), folder);
  first.reset();
  EXPECT_TRUE(QFileInfo(folder).isDir()) << "the other browser still uses it";
  EXPECT_EQ(second->Browser->ExecuteJavaScriptSync(QStringLiteral("1 + 1")), QStringLiteral("2"));
  second.reset();
  PumpUntil([&] { return !QFileInfo::exists(folder); }, 3000);
  EXPECT_FALSE(QFileInfo::exists(folder)) << "gone with the last browser";
}
