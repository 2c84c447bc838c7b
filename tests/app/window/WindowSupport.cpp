#include "tests/support/TestSupport.h"
#include "tests/app/window/WindowSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>

#include "app/AppResources.h"
#include "app/SiteHosts.h"
#include "platform/rtl/Registry.h"
#include "platform/vcl/Themes.h"


namespace windowtest {

namespace {

std::unique_ptr<Environment>& Slot() {
  static std::unique_ptr<Environment> environment;
  return environment;
}

// Releases the window and the server before the application goes.
class Release : public ::testing::Environment {
 public:
  void TearDown() override {
    if (Slot() && Slot()->Window) {
      Slot()->Window.reset();
      enginetest::PumpUntil([] { return false; }, 200);
    }
    Slot().reset();
  }
};
::testing::Environment* const kRelease = ::testing::AddGlobalTestEnvironment(new Release);

}  // namespace

TSuperBrowser* TTestWindow::NewBrowser() {
  if (FailBrowser) throw Exception(QStringLiteral("no browser here"));
  TSuperBrowser* browser = TfrmMyBrowser::NewBrowser();
  // Test processes run side by side: each keeps its own engine data.
  browser->SetCacheFolderName(QStringLiteral("EdgeCache-window-%1").arg(QCoreApplication::applicationPid()));
  return browser;
}

void TTestWindow::RunCapture() {
  if (CaptureRun) CaptureRun();
  else TfrmMyBrowser::RunCapture();
}

void UseSites(const tools::DirectoryServer& Server) {
  const QString root = Server.Url(QString());
  SetDirectoryRoot(root);
  SetMakerRoot(root);
}

std::unique_ptr<TTestWindow> MakeWindow(bool FailBrowser) {
  InitAppResources();
  auto window = std::make_unique<TTestWindow>(nullptr);
  window->FailBrowser = FailBrowser;
  Application->SetMainForm(window.get());
  window->AfterConstruction();
  return window;
}

Environment* Shared() {
  (void)kRelease;
  auto& slot = Slot();
  if (!slot) {
    slot = std::make_unique<Environment>();
    TRegistryStore::SetFileName(slot->Dir.File(QStringLiteral("registry.reg")));
    slot->Server = std::make_unique<tools::DirectoryServer>(tools::DirectoryServerOptions{});
    UseSites(*slot->Server);
    slot->Seams = std::make_unique<vcltest::TSeamRecorder>();
    TStyleManager::SetStyle(QStringLiteral("Amethyst Kamri"));
    slot->Window = MakeWindow();
    TTestWindow* w = slot->Window.get();
    StartupRecord& r = slot->Startup;
    r.Caption = w->Caption();
    r.Panel0 = w->StatusBar1->Panels()->Items(0)->Text();
    r.GotoHint = w->Goto1->Hint();
    r.GotoCaption = w->Goto1->Caption();
    r.TFNCaption = w->ToolbtnTFN->Caption();
    r.CountryCaption = w->lbCountry->Caption();
    r.Address = w->edURL->Text();
    r.ResultsTab = w->PageControl1->ActivePage() ? w->PageControl1->ActivePage()->Name() : QString();
    r.MemoText = w->mmResults->Lines()->Text();
    r.LeadsText = w->EdNumberofLeads->Text();
    r.Style = TStyleManager::ActiveStyle().Name();
    r.PaneWidth = w->PageControl1->Width();
    r.PageDelay = PageDelay;
    r.TimerCaption = w->btnTimer->Caption();
    r.SplitDown = w->tbSplitScreen->Down();
    r.SettingsKeyExists = TRegistry().KeyExists(QString::fromLatin1(kSettingsKey));
    r.Dialogs = int(slot->Seams->Dialogs.Requests.size());
    r.Opened = int(slot->Seams->Shell.Opened.size());
    r.UpdateDate = UpdateDateText;
    for (const auto& request : slot->Server->Http().Requests())
      if (request.Path.startsWith("/files/"))
        r.MakerRequests << QString::fromLatin1(request.Header("User-Agent") + ' ' + request.Target);
    if (TSuperBrowser* browser = w->webbrowser1) {
      WaitForTitle(browser, QStringLiteral("TFN Start Page"));
      r.Title = Eval(browser, QStringLiteral("document.title"));
      r.Heading = Eval(browser, QStringLiteral("document.querySelector('h1').textContent"));
      r.Html = Eval(browser, QStringLiteral("document.documentElement.outerHTML"));
      r.SearchLinks = Eval(browser, QStringLiteral("String(Array.from(document.querySelectorAll('a')).filter("
                                                   "a => a.href.indexOf('/annuaire/chercherlespros?quoiqui=hotel"
                                                   "&ou=lyon&univers=pagesjaunes&idOu=/') > 0).length)"));
    }
  }
  if (!slot->Window->webbrowser1 || !slot->Window->webbrowser1->IsInitialized()) {
    ADD_FAILURE() << "the main window got no browser";
    return nullptr;
  }
  return slot.get();
}

QString Eval(TSuperBrowser* Browser, const QString& Script) {
  const QString json = Browser->ExecuteJavaScriptSync(Script);
  if (json.isEmpty()) return QString();
  const QJsonDocument doc = QJsonDocument::fromJson(QStringLiteral("[%1]").arg(json).toUtf8());
  if (!doc.isArray() || doc.array().isEmpty()) return json;
  const QJsonValue value = doc.array().at(0);
  return value.isString() ? value.toString() : json;
}

bool WaitForUrl(TSuperBrowser* Browser, const QString& Url, int TimeoutMs) {
  return enginetest::PumpUntil([&] { return Browser->URL() == Url; }, TimeoutMs);
}

bool WaitForTitle(TSuperBrowser* Browser, const QString& Title, int TimeoutMs) {
  return enginetest::PumpUntil([&] { return Eval(Browser, QStringLiteral("document.title")) == Title; }, TimeoutMs);
}

QString OutputFolder() { return testsupport::TestOutputFolder(); }

}  // namespace windowtest
