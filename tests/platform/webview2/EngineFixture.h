#pragma once
// One engine for the whole test binary: a directory server, an environment
// over a fresh user-data folder, a window and a web view in it. Engine start-up
// is slow, so tests share them and leave no handler behind. Everything is
// released before the application object goes (global test environment).

#include <QElapsedTimer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

#include "platform/webview2/WebView2.h"
#include "tests/support/TestSupport.h"
#include "tools/DirectoryServer.h"

namespace webview2test {

// Pumps events until done() or the time-out; answers done().
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 15000);

struct Engine {
  std::unique_ptr<tools::DirectoryServer> Server;
  std::unique_ptr<testsupport::TempDir> Temp;
  QString UserDataFolder;
  std::shared_ptr<ICoreWebView2Environment> Environment;
  std::unique_ptr<QWidget> Window;
  std::shared_ptr<ICoreWebView2Controller> Controller;
  std::shared_ptr<ICoreWebView2> View;
};

// The shared engine, started on first use. Fails the calling test (and
// answers null) when it cannot start.
Engine* Shared();

// A further view of the shared environment in its own window; the caller
// closes it.
std::shared_ptr<ICoreWebView2Controller> NewController(QWidget* window);

// Runs a script and waits for its JSON result ("<no answer>" on time-out).
QString RunScript(ICoreWebView2* view, const QString& script, int timeoutMs = 15000);

struct NavigationResult {
  bool Completed = false;
  BOOL IsSuccess = FALSE;
  COREWEBVIEW2_WEB_ERROR_STATUS Status = COREWEBVIEW2_WEB_ERROR_STATUS_UNKNOWN;
};

// Navigates (uri) or shows html (when uri is empty) and waits for completion.
NavigationResult NavigateAndWait(ICoreWebView2* view, const QString& uri, int timeoutMs = 20000);
NavigationResult NavigateToStringAndWait(ICoreWebView2* view, const QString& html, int timeoutMs = 20000);

// Removes an event registration when it goes out of scope.
class Registration {
 public:
  explicit Registration(std::function<void(EventRegistrationToken)> remove) : remove_(std::move(remove)) {}
  ~Registration() {
    if (remove_) remove_(Token);
  }
  Registration(const Registration&) = delete;
  Registration& operator=(const Registration&) = delete;
  EventRegistrationToken Token;

 private:
  std::function<void(EventRegistrationToken)> remove_;
};

}  // namespace webview2test
