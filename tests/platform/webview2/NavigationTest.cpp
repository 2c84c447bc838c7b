// Navigation, its events and NavigateToString.

#include <gtest/gtest.h>

#include <QUrl>

#include "tests/engine/EngineSupport.h"

using namespace enginetest;

namespace {

// Records the navigation events of a view in the order they arrive.
class EventLog {
 public:
  explicit EventLog(ICoreWebView2* view)
      : view_(view),
        starting_([view](EventRegistrationToken t) { view->remove_NavigationStarting(t); }),
        source_([view](EventRegistrationToken t) { view->remove_SourceChanged(t); }),
        completed_([view](EventRegistrationToken t) { view->remove_NavigationCompleted(t); }) {
    view->add_NavigationStarting(
        [this](ICoreWebView2*, ICoreWebView2NavigationStartingEventArgs* args) {
          QString uri;
          BOOL redirected = FALSE;
          UINT64 id = 0;
          args->get_Uri(&uri);
          args->get_IsRedirected(&redirected);
          args->get_NavigationId(&id);
          Events.push_back(QStringLiteral("starting %1%2").arg(uri, redirected ? QStringLiteral(" (redirect)") : QString()));
          Ids.push_back(id);
          if (CancelPaths.contains(QUrl(uri).path())) args->put_Cancel(TRUE);
          return S_OK;
        },
        &starting_.Token);
    view->add_SourceChanged(
        [this](ICoreWebView2* sender, ICoreWebView2SourceChangedEventArgs* args) {
          QString source;
          BOOL newDocument = FALSE;
          sender->get_Source(&source);
          args->get_IsNewDocument(&newDocument);
          Events.push_back(QStringLiteral("source %1%2").arg(source, newDocument ? QString() : QStringLiteral(" (same document)")));
          return S_OK;
        },
        &source_.Token);
    view->add_NavigationCompleted(
        [this](ICoreWebView2*, ICoreWebView2NavigationCompletedEventArgs* args) {
          BOOL success = FALSE;
          COREWEBVIEW2_WEB_ERROR_STATUS status = COREWEBVIEW2_WEB_ERROR_STATUS_UNKNOWN;
          UINT64 id = 0;
          args->get_IsSuccess(&success);
          args->get_WebErrorStatus(&status);
          args->get_NavigationId(&id);
          Events.push_back(QStringLiteral("completed %1 %2").arg(success ? "ok" : "failed").arg(int(status)));
          Ids.push_back(id);
          ++Completions;
          return S_OK;
        },
        &completed_.Token);
  }

  std::vector<QString> Events;
  std::vector<UINT64> Ids;
  QStringList CancelPaths;
  int Completions = 0;

 private:
  ICoreWebView2* view_;
  Registration starting_;
  Registration source_;
  Registration completed_;
};

}  // namespace

TEST(WebView2Navigation, RaisesItsEventsInOrder) {
  ViewEngine* engine = SharedView();
  ASSERT_TRUE(engine);
  ICoreWebView2* view = engine->View.get();
  auto& server = *engine->Server;
  server.Http().AddRedirect("/redirected", tools::DirectoryServer::kCspPath);
  const QString results = server.ResultsUrl(QStringLiteral("plombier"), QStringLiteral("paris"), 2);
  const QString refused = QStringLiteral("http://127.0.0.1:%1/").arg(tools::LoopbackHttpServer::UnusedPort());

  struct Case {
    QString Uri;
    std::vector<QString> Events;
  };
  const std::vector<Case> cases = {
      {results, {"starting " + results, "source " + results, "completed ok 0"}},
      {server.Url("/redirected"),
       {"starting " + server.Url("/redirected"), "starting " + server.Url("/csp.html") + " (redirect)",
        "source " + server.Url("/csp.html"), "completed ok 0"}},
      {server.Url("/no-such-page"),
       {"starting " + server.Url("/no-such-page"), "source " + server.Url("/no-such-page"), "completed failed 0"}},
      {refused, {"starting " + refused, "source " + refused,
                 QStringLiteral("completed failed %1").arg(COREWEBVIEW2_WEB_ERROR_STATUS_CANNOT_CONNECT)}},
      {server.Url("/cancelled"),
       {"starting " + server.Url("/cancelled"),
        QStringLiteral("completed failed %1").arg(COREWEBVIEW2_WEB_ERROR_STATUS_OPERATION_CANCELED)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Uri.toStdString());
    EventLog log(view);
    log.CancelPaths << QStringLiteral("/cancelled");
    ASSERT_EQ(view->Navigate(c.Uri), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return log.Completions > 0; }));
    PumpUntil([] { return false; }, 100);  // nothing may follow the completion
    EXPECT_EQ(log.Events, c.Events);
    for (UINT64 id : log.Ids) EXPECT_EQ(id, log.Ids.front()) << "one navigation, one id";
  }
  EXPECT_EQ(server.Http().RequestCount("/cancelled"), 0) << "a cancelled navigation sends no request";
  QString source;
  ASSERT_EQ(view->get_Source(&source), S_OK);
  EXPECT_EQ(source, refused) << "a cancelled navigation leaves the page as it was";
}

TEST(WebView2Navigation, RejectsUrisWithoutScheme) {
  ViewEngine* engine = SharedView();
  ASSERT_TRUE(engine);
  for (const QString& uri : {QString(), QStringLiteral("www.example.org/page"), QStringLiteral("http://[bad")})
    EXPECT_EQ(engine->View->Navigate(uri), E_INVALIDARG) << uri.toStdString();
}

TEST(WebView2Navigation, HistoryAndTitle) {
  ViewEngine* engine = SharedView();
  ASSERT_TRUE(engine);
  ICoreWebView2* view = engine->View.get();
  auto& server = *engine->Server;
  ASSERT_TRUE(NavigateAndWait(view, server.ResultsUrl("plombier", "paris", 1)).IsSuccess);
  ASSERT_TRUE(NavigateAndWait(view, server.ResultsUrl("plombier", "paris", 2)).IsSuccess);
  QString title;
  ASSERT_EQ(view->get_DocumentTitle(&title), S_OK);
  EXPECT_EQ(title, QStringLiteral("Plombier Paris - page 2"));
  BOOL canGoBack = FALSE, canGoForward = TRUE;
  view->get_CanGoBack(&canGoBack);
  view->get_CanGoForward(&canGoForward);
  EXPECT_TRUE(canGoBack);
  EXPECT_FALSE(canGoForward);
  auto back = std::make_shared<bool>(false);
  Registration completed([view](EventRegistrationToken t) { view->remove_NavigationCompleted(t); });
  view->add_NavigationCompleted([back](ICoreWebView2*, ICoreWebView2NavigationCompletedEventArgs*) {
    *back = true;
    return S_OK;
  }, &completed.Token);
  ASSERT_EQ(view->GoBack(), S_OK);
  ASSERT_TRUE(PumpUntil([&] { return *back; }));
  ASSERT_EQ(view->get_DocumentTitle(&title), S_OK);
  EXPECT_EQ(title, QStringLiteral("Plombier Paris - page 1"));
  view->get_CanGoForward(&canGoForward);
  EXPECT_TRUE(canGoForward);
}

TEST(WebView2NavigateToString, ShowsSmallAndLargeDocuments) {
  ViewEngine* engine = SharedView();
  ASSERT_TRUE(engine);
  ICoreWebView2* view = engine->View.get();

  const NavigationResult small = NavigateToStringAndWait(
      view, QStringLiteral("<html><head><title>Petit</title></head><body><p id='t'>Crème brûlée &amp; café</p></body></html>"));
  ASSERT_TRUE(small.Completed);
  EXPECT_TRUE(small.IsSuccess);
  QString source;
  ASSERT_EQ(view->get_Source(&source), S_OK);
  EXPECT_EQ(source, QStringLiteral("about:blank"));
  EXPECT_EQ(RunScript(view, QStringLiteral("document.getElementById('t').textContent")),
            QStringLiteral("\"Crème brûlée & café\""));

  // Beyond the data-URL limit the document takes the private scheme.
  const QByteArray large = engine->Server->LargePage();
  ASSERT_GT(large.size(), 3 * 1000 * 1000);
  const NavigationResult shown = NavigateToStringAndWait(view, QString::fromUtf8(large), 30000);
  ASSERT_TRUE(shown.Completed);
  EXPECT_TRUE(shown.IsSuccess);
  ASSERT_EQ(view->get_Source(&source), S_OK);
  EXPECT_EQ(source, QStringLiteral("about:blank"));
  EXPECT_EQ(RunScript(view, QStringLiteral("document.getElementById('end-marker').textContent")),
            QStringLiteral("\"fin du document\""));
  EXPECT_EQ(RunScript(view, QStringLiteral("document.querySelector('.filler').textContent.indexOf('é, è, à, ç, œ & «') > 0")),
            QStringLiteral("true"))
      << "the document keeps its UTF-8 text";
  EXPECT_EQ(RunScript(view, QStringLiteral("document.querySelectorAll('p.filler').length > 20000")), QStringLiteral("true"));
}
