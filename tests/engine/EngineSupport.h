#pragma once
// The real engine for the browser tests: prepared before the application
// exists (sandbox off when running as root, no GPU, the private document
// scheme), one directory server and one shared browser on a shown form for
// the whole binary, released before the application goes.

#include <QString>
#include <functional>
#include <memory>

#include "browser/KitWebBrowser.Win.h"
#include "platform/vcl/Forms.h"
#include "tools/DirectoryServer.h"

namespace enginetest {

// Pumps events until done() or the time-out; answers done().
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 20000);

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
  std::unique_ptr<tools::DirectoryServer> Server;
  std::unique_ptr<BrowserWindow> Window;
  TKitWebBrowser* Browser() const { return Window->Browser; }
};

// The shared engine; fails the calling test (and answers null) when the
// browser could not get its view.
Engine* Shared();

// Navigates (or loads the HTML when Uri is empty) and waits for the
// navigation to complete; answers its record (URL empty on time-out).
TKitCustomWebBrowserNavigateCompleteParams NavigateAndWait(TKitWebBrowser* Browser, const QString& Uri,
                                                           const QString& Html = QString());

}  // namespace enginetest
