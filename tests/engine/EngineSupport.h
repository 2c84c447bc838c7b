#pragma once
// The real engine for the test binaries that drive it, at two levels: the
// browser control (one shown form with a browser) and the WebView2-shaped
// interfaces beneath it (an environment over a fresh user-data folder, a
// window and a view in it). The process is prepared for the engine before
// the application exists (sandbox off, as tests run as root; no GPU; the
// private document scheme). Engine start-up is slow, so a binary shares one
// directory server and one engine of each level it uses, and tests leave no
// handler behind; everything is released before the application goes.

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "browser/KitWebBrowser.Win.h"
#include "platform/rtl/ProcessStart.h"
#include "platform/vcl/Forms.h"
#include "platform/webview2/WebView2.h"
#include "tests/support/TestSupport.h"
#include "tools/DirectoryServer.h"

namespace enginetest {

// How test processes run the engine: pkTest with the engine, its sandbox
// off and headless.
TProcessOptions EngineProcessOptions();

// Pumps events and posted messages until done() or the time-out; answers
// done().
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 20000);

// The loopback directory server the shared engines of the binary talk to.
tools::DirectoryServer& SharedServer();

// What WebView2 answers for each kind of script value (the JSON text of the
// result; undefined, functions and throws give null), on any page whose
// loading is complete.
struct ScriptCase {
  const char* Script;
  const char* Json;
};
extern const std::vector<ScriptCase> kScriptValueCases;

// --- The browser control ---------------------------------------------------

// A form of 800 × 600 with a browser filling it; the browser is created with
// the form as owner and gets its parent (and so its view) in Open().
struct BrowserWindow {
  std::unique_ptr<TForm> Form;
  TKitWebBrowser* Browser = nullptr;
  // Makes the form and browser; Prepare runs before the parent is set.
  explicit BrowserWindow(const std::function<void(TKitWebBrowser*)>& Prepare = nullptr);
  ~BrowserWindow();
  TKitWinWebBrowser* Platform() const;
};

struct Engine {
  tools::DirectoryServer* Server = nullptr;
  std::unique_ptr<BrowserWindow> Window;
  TKitWebBrowser* Browser() const { return Window->Browser; }
};

// The shared browser; fails the calling test (and answers null) when the
// browser could not get its view.
Engine* Shared();

// Navigates (or loads the HTML when Uri is empty) and waits for the
// navigation to complete; answers its record (URL empty on time-out).
TKitCustomWebBrowserNavigateCompleteParams NavigateAndWait(TKitWebBrowser* Browser, const QString& Uri,
                                                           const QString& Html = QString());

// --- The WebView2-shaped interfaces ----------------------------------------

struct ViewEngine {
  tools::DirectoryServer* Server = nullptr;
  std::unique_ptr<testsupport::TempDir> Temp;
  QString UserDataFolder;
  std::shared_ptr<ICoreWebView2Environment> Environment;
  std::unique_ptr<QWidget> Window;
  std::shared_ptr<ICoreWebView2Controller> Controller;
  std::shared_ptr<ICoreWebView2> View;
};

// The shared environment with its view, started on first use. Fails the
// calling test (and answers null) when it cannot start.
ViewEngine* SharedView();

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

// Navigates (uri) or shows html and waits for completion.
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

}  // namespace enginetest
