// Loader entry points, environments and controllers.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <qtwebenginecoreglobal.h>

#include "tests/engine/EngineSupport.h"

using namespace enginetest;

TEST(WebView2ResultCodes, HaveTheirDocumentedValues) {
  EXPECT_EQ(uint32_t(E_FAIL), 0x80004005u);
  EXPECT_EQ(uint32_t(E_INVALIDARG), 0x80070057u);
  EXPECT_EQ(uint32_t(E_NOINTERFACE), 0x80004002u);
  EXPECT_EQ(uint32_t(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)), 0x80070002u);
  EXPECT_EQ(uint32_t(HRESULT_FROM_WIN32(ERROR_INVALID_STATE)), 0x8007139Fu);
  EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_SUCCESS), S_OK);
  EXPECT_EQ(HRESULT_FROM_WIN32(uint32_t(E_FAIL)), E_FAIL);  // already a failure code
  EXPECT_TRUE(FAILED(E_ACCESSDENIED));
  EXPECT_TRUE(SUCCEEDED(S_FALSE));
}

TEST(WebView2Loader, ReportsTheEngineRuntime) {
  EXPECT_TRUE(IsCoreWebView2RuntimeAvailable());
  EXPECT_TRUE(QFileInfo(CoreWebView2RuntimeFolder() + QStringLiteral("/QtWebEngineProcess")).isExecutable());

  QString version = QStringLiteral("stale");
  EXPECT_EQ(GetAvailableCoreWebView2BrowserVersionString(QString(), &version), S_OK);
  EXPECT_EQ(version, QString::fromLatin1(qWebEngineChromiumVersion()));
  EXPECT_EQ(version.split(QLatin1Char('.')).size(), 4) << version.toStdString();
  EXPECT_EQ(GetAvailableCoreWebView2BrowserVersionString(CoreWebView2RuntimeFolder(), &version), S_OK);

  testsupport::TempDir elsewhere;
  EXPECT_EQ(GetAvailableCoreWebView2BrowserVersionString(elsewhere.Path(), &version),
            HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
  EXPECT_TRUE(version.isEmpty());
  EXPECT_EQ(GetAvailableCoreWebView2BrowserVersionString(QString(), nullptr), E_POINTER);
}

TEST(WebView2Loader, RefusesBadEnvironmentRequests) {
  testsupport::TempDir temp;
  int calls = 0;
  auto handler = [&](HRESULT, std::shared_ptr<ICoreWebView2Environment>) {
    ++calls;
    return S_OK;
  };
  EXPECT_EQ(CreateCoreWebView2EnvironmentWithOptions(QString(), temp.Path(), nullptr, nullptr), E_POINTER);
  EXPECT_EQ(CreateCoreWebView2EnvironmentWithOptions(temp.Path(), temp.Path(), nullptr, handler),
            HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
  // A user-data folder below a file cannot be made.
  QFile file(temp.File(QStringLiteral("plain-file")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  EXPECT_EQ(CreateCoreWebView2EnvironmentWithOptions(QString(), file.fileName() + QStringLiteral("/data"), nullptr,
                                                     handler),
            E_ACCESSDENIED);
  PumpUntil([] { return false; }, 100);
  EXPECT_EQ(calls, 0) << "a refused request completes nothing";
}

TEST(WebView2Environment, OwnsAPrivateUserDataFolder) {
  ViewEngine* engine = SharedView();
  ASSERT_TRUE(engine);
  QString folder;
  ASSERT_EQ(engine->Environment->get_UserDataFolder(&folder), S_OK);
  EXPECT_EQ(QFileInfo(folder).canonicalFilePath(), QFileInfo(engine->UserDataFolder).canonicalFilePath());
  EXPECT_EQ(QFile::permissions(folder) & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
            QFile::Permissions());
  QString version;
  ASSERT_EQ(engine->Environment->get_BrowserVersionString(&version), S_OK);
  EXPECT_EQ(version, QString::fromLatin1(qWebEngineChromiumVersion()));

  // The engine keeps its data and cache there once it has loaded something.
  const NavigationResult loaded = NavigateAndWait(engine->View.get(), engine->Server->ResultsUrl(
                                                                          QStringLiteral("plombier"), QStringLiteral("paris"), 1));
  ASSERT_TRUE(loaded.Completed);
  EXPECT_TRUE(PumpUntil([&] { return !QDir(folder).isEmpty(); }, 10000));
  EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/Cache")).isDir() ||
              !QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST(WebView2Controller, ClosingCompletesPendingScriptsAndEndsTheView) {
  ViewEngine* engine = SharedView();
  ASSERT_TRUE(engine);
  QWidget window;
  window.resize(300, 200);
  window.show();
  auto controller = NewController(&window);
  ASSERT_TRUE(controller);
  std::shared_ptr<ICoreWebView2> view;
  ASSERT_EQ(controller->get_CoreWebView2(&view), S_OK);
  EXPECT_EQ(RunScript(view.get(), QStringLiteral("location.href")), QStringLiteral("\"about:blank\""));

  QRect bounds;
  ASSERT_EQ(controller->put_Bounds(QRect(10, 20, 200, 100)), S_OK);
  ASSERT_EQ(controller->get_Bounds(&bounds), S_OK);
  EXPECT_EQ(bounds, QRect(10, 20, 200, 100));
  BOOL visible = FALSE;
  ASSERT_EQ(controller->put_IsVisible(FALSE), S_OK);
  ASSERT_EQ(controller->get_IsVisible(&visible), S_OK);
  EXPECT_FALSE(visible);

  std::vector<QString> results;
  for (int i = 0; i < 3; ++i)
    ASSERT_EQ(view->ExecuteScript(QStringLiteral("%1").arg(i), [&](HRESULT hr, const QString& json) {
      EXPECT_EQ(hr, S_OK);
      results.push_back(json);
      return S_OK;
    }),
              S_OK);
  ASSERT_EQ(controller->Close(), S_OK);
  EXPECT_TRUE(results.empty()) << "completions arrive through the event loop";
  ASSERT_TRUE(PumpUntil([&] { return results.size() == 3; }, 5000));
  EXPECT_EQ(results, (std::vector<QString>{"null", "null", "null"}));

  const HRESULT closed = HRESULT_FROM_WIN32(ERROR_INVALID_STATE);
  EXPECT_EQ(view->Navigate(QStringLiteral("about:blank")), closed);
  EXPECT_EQ(view->ExecuteScript(QStringLiteral("1"), nullptr), closed);
  EXPECT_EQ(controller->put_IsVisible(TRUE), closed);
  EXPECT_EQ(controller->Close(), S_OK);
  PumpUntil([] { return false; }, 200);
  EXPECT_EQ(results.size(), 3u) << "each completion runs once";
}

TEST(WebView2Controller, DiesWithItsParentWindow) {
  ViewEngine* engine = SharedView();
  ASSERT_TRUE(engine);
  auto window = std::make_unique<QWidget>();
  window->show();
  auto controller = NewController(window.get());
  ASSERT_TRUE(controller);
  std::shared_ptr<ICoreWebView2> view;
  ASSERT_EQ(controller->get_CoreWebView2(&view), S_OK);
  QString answer;
  bool done = false;
  ASSERT_EQ(view->ExecuteScript(QStringLiteral("'still here'"), [&](HRESULT, const QString& json) {
    answer = json;
    done = true;
    return S_OK;
  }),
            S_OK);
  window.reset();  // deletes the view with it
  ASSERT_TRUE(PumpUntil([&] { return done; }, 5000)) << "the pending script is not left dangling";
  EXPECT_EQ(answer, QStringLiteral("null"));
  EXPECT_EQ(view->Reload(), HRESULT_FROM_WIN32(ERROR_INVALID_STATE));
}
