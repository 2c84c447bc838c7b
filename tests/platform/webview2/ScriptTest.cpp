// ExecuteScript: the JSON text of results, pages with a Content-Security-
// Policy, order of completions.

#include <gtest/gtest.h>

#include "tests/engine/EngineSupport.h"

using namespace enginetest;

namespace {

// The same answers on every page.
void ExpectValueCases(ICoreWebView2* view) {
  for (const ScriptCase& c : kScriptValueCases)
    EXPECT_EQ(RunScript(view, QString::fromUtf8(c.Script)), QString::fromUtf8(c.Json)) << c.Script;
  // Every page here has a heading: an element answers as an empty object.
  EXPECT_EQ(RunScript(view, QStringLiteral("document.querySelector('h1')")), QStringLiteral("{}"));
}

}  // namespace

TEST(WebView2ExecuteScript, AnswersWebView2Json) {
  ViewEngine* engine = SharedView();
  ASSERT_TRUE(engine);
  ICoreWebView2* view = engine->View.get();
  ASSERT_TRUE(NavigateAndWait(view, engine->Server->ResultsUrl("plombier", "paris", 1)).IsSuccess);
  ExpectValueCases(view);

  // What the capture loop reads of a result page.
  EXPECT_EQ(RunScript(view, QStringLiteral("document.querySelectorAll('li[class*=\"bi bi-generic\"]').length")),
            QStringLiteral("21"));
  EXPECT_EQ(RunScript(view, QStringLiteral("var allLeads = document.getElementsByClassName(\"bi bi-generic \");"
                                           "{allLeads[20].style.backgroundColor = \"Gold\";};")),
            QStringLiteral("\"Gold\""));
  EXPECT_EQ(RunScript(view, QStringLiteral("function myFunction() {return document.querySelectorAll('li[class*=\"bi "
                                           "bi-generic\"]')[21].innerHTML;} myFunction();")),
            QStringLiteral("null"))
      << "an index past the last listing throws: null";
  // Declarations stay for later scripts of the same document.
  EXPECT_EQ(RunScript(view, QStringLiteral("function tfTwice(x) { return 2 * x; } var tfKept = 'gardé';")),
            QStringLiteral("null"));
  EXPECT_EQ(RunScript(view, QStringLiteral("tfTwice(21) + ' ' + tfKept")), QStringLiteral("\"42 gardé\""));
}

TEST(WebView2ExecuteScript, AnswersOnAPageWithAContentSecurityPolicy) {
  ViewEngine* engine = SharedView();
  ASSERT_TRUE(engine);
  ICoreWebView2* view = engine->View.get();
  ASSERT_TRUE(NavigateAndWait(view, engine->Server->Url(tools::DirectoryServer::kCspPath)).IsSuccess);
  // The policy holds for the page itself: its inline script did not run.
  EXPECT_EQ(RunScript(view, QStringLiteral("document.title")), QStringLiteral("\"Page protégée\""));
  ExpectValueCases(view);
}

TEST(WebView2ExecuteScript, CompletesInStartOrderAcrossNavigations) {
  ViewEngine* engine = SharedView();
  ASSERT_TRUE(engine);
  ICoreWebView2* view = engine->View.get();
  ASSERT_TRUE(NavigateAndWait(view, engine->Server->ResultsUrl("plombier", "paris", 1)).IsSuccess);

  std::vector<QString> answers;
  auto run = [&](const QString& script) {
    return view->ExecuteScript(script, [&answers](HRESULT hr, const QString& json) {
      EXPECT_EQ(hr, S_OK);
      answers.push_back(json);
      return S_OK;
    });
  };
  // A slow script first: the quick ones after it still complete after it.
  ASSERT_EQ(run(QStringLiteral("var end = Date.now() + 300; while (Date.now() < end) {} 'slow'")), S_OK);
  for (int i = 1; i <= 3; ++i) ASSERT_EQ(run(QString::number(i)), S_OK);
  // Scripts started around a navigation still complete.
  ASSERT_EQ(view->Navigate(engine->Server->ResultsUrl("plombier", "paris", 3)), S_OK);
  ASSERT_EQ(run(QStringLiteral("'after'")), S_OK);
  EXPECT_TRUE(answers.empty());
  ASSERT_TRUE(PumpUntil([&] { return answers.size() == 5; }));
  ASSERT_EQ(answers.size(), 5u);
  EXPECT_EQ(std::vector<QString>(answers.begin(), answers.begin() + 4),
            (std::vector<QString>{"\"slow\"", "1", "2", "3"}));
  EXPECT_TRUE(answers[4] == QStringLiteral("\"after\"") || answers[4] == QStringLiteral("null")) << answers[4].toStdString();
}
