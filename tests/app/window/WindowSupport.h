#pragma once
// The main window on the real engine for the window tests: one loopback
// directory server standing for the directory and the maker's site, a
// private registry file, desktop services that answer for the user, and one
// main window shared by the tests of a process (creating it starts the
// engine and shows the start page twice).

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "app/uTallowfinch2.h"
#include "tests/engine/EngineSupport.h"
#include "tests/harness/Harness.h"
#include "tests/support/TestSupport.h"
#include "tools/DirectoryServer.h"

namespace windowtest {

// The main window with two hooks for tests: a browser that cannot be made,
// and a capture run replaced by the test's own.
class TTestWindow : public TfrmMyBrowser {
 public:
  using TfrmMyBrowser::TfrmMyBrowser;
  bool FailBrowser = false;
  std::function<void()> CaptureRun;

 protected:
  TSuperBrowser* NewBrowser() override;
  void RunCapture() override;
};

// What the window showed right after its creation, before any test changed it.
struct StartupRecord {
  QString Caption;
  QString Panel0;
  QString GotoHint;
  QString GotoCaption;
  QString TFNCaption;
  QString CountryCaption;
  QString Address;
  QString ResultsTab;
  QString MemoText;
  QString LeadsText;
  QString Style;
  int PaneWidth = 0;
  int PageDelay = 0;
  QString TimerCaption;
  bool SplitDown = true;
  bool SettingsKeyExists = true;
  int Dialogs = -1;
  int Opened = -1;
  QString UpdateDate;
  // The requests the start-up sent to the maker's site, in order ("agent
  // target").
  QStringList MakerRequests;
  // The document shown once the start-up is over.
  QString Title;
  QString Heading;
  QString Html;
  QString SearchLinks;
};

struct Environment {
  testsupport::TempDir Dir;
  std::unique_ptr<tools::DirectoryServer> Server;
  std::unique_ptr<vcltest::TSeamRecorder> Seams;
  std::unique_ptr<TTestWindow> Window;
  StartupRecord Startup;
};

// The shared environment with its window, made on first use (fails the
// calling test and answers null when the window got no browser).
Environment* Shared();

// Points the directory and the maker's site at the server.
void UseSites(const tools::DirectoryServer& Server);
// Makes a main window (constructor and creation handler) as the program does.
std::unique_ptr<TTestWindow> MakeWindow(bool FailBrowser = false);

// The value of a script in the browser's document as text (a JSON string's
// characters, other JSON as it came); empty when no answer came.
QString Eval(TSuperBrowser* Browser, const QString& Script);
// Waits until the browser's address is Url.
bool WaitForUrl(TSuperBrowser* Browser, const QString& Url, int TimeoutMs = 20000);
// Waits until the document's title is Title.
bool WaitForTitle(TSuperBrowser* Browser, const QString& Title, int TimeoutMs = 20000);

// The folder the build keeps test pictures in.
QString OutputFolder();

}  // namespace windowtest
