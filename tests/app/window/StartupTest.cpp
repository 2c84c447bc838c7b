// The main window's start-up: captions, the start page built from its
// template, the settings of a first start, and a browser that cannot be made.

#include <gtest/gtest.h>

#include "app/SiteHosts.h"
#include "app/uSplashScreen.h"
#include "platform/vcl/Themes.h"
#include "tests/app/window/WindowSupport.h"

using namespace windowtest;

namespace {
QString Home() { return QStringLiteral("http://") + DirectoryHost() + QStringLiteral("/"); }
QString SearchAddress() {
  return QStringLiteral("http://") + DirectoryHost() +
         QStringLiteral("/annuaire/chercherlespros?quoiqui=hotel&ou=lyon&univers=pagesjaunes&idOu=/");
}
}  // namespace

TEST(MainWindowStartup, SetsCaptionsAndAppliesTheSettingsOfAFirstStart) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  const QString version = QStringLiteral("v. 2.0g RC [13JUL2022]    ") + QChar(0x00A0);
  EXPECT_EQ(VERSION, version);
  EXPECT_EQ(EDITION_CODE, QStringLiteral("FR-PJ"));

  const StartupRecord& r = env->Startup;
  const struct {
    const char* What;
    QString Actual;
    QString Expected;
  } texts[] = {
      {"window caption", r.Caption, QStringLiteral("Tallowfinch - FR-PJ - ") + version},
      {"status panel 0", r.Panel0, QStringLiteral("TFN - ") + version},
      {"Goto1 hint", r.GotoHint, Home()},
      {"Goto1 caption", r.GotoCaption, QStringLiteral("Go to ") + SearchAddress()},
      {"ToolbtnTFN caption", r.TFNCaption, QStringLiteral("FR-PJ")},
      {"lbCountry caption", r.CountryCaption, QStringLiteral("   Pages Jaunes - France   ")},
      {"edURL text", r.Address, Home()},
      {"results tab", r.ResultsTab, QStringLiteral("tbResults")},
      {"memo", r.MemoText, QStringLiteral("Scraping results, one page at a time...\r\n")},
      {"number of leads", r.LeadsText, QStringLiteral("Number of Leads")},
      {"lbVersion parent", w->lbVersion->Parent()->Name(), QStringLiteral("ToolBar3")},
      {"lbVersion font", w->lbVersion->Font()->Name(), w->lbCountry->Font()->Name()},
  };
  for (const auto& t : texts) EXPECT_EQ(t.Actual, t.Expected) << t.What;
  EXPECT_EQ(w->lbVersion->Font()->Style(), w->lbCountry->Font()->Style());

  // No key in the registry yet: the defaults, and nothing written.
  EXPECT_EQ(env->Startup.Style, QStringLiteral("Luna"));
  EXPECT_EQ(env->Startup.PaneWidth, 1024);
  EXPECT_EQ(env->Startup.PageDelay, 3);
  EXPECT_EQ(env->Startup.TimerCaption, QStringLiteral("Timer"));
  EXPECT_FALSE(env->Startup.SplitDown);
  EXPECT_FALSE(env->Startup.SettingsKeyExists);
  // The page fetcher asks for the version page, then the update check for
  // the date; the endpoint answers an older date: nothing is said or opened.
  ASSERT_EQ(env->Startup.MakerRequests.size(), 2);
  EXPECT_TRUE(env->Startup.MakerRequests[0].startsWith(
      QStringLiteral("WebData /files/ckeckver.php?version=TFN-FR-PJ-Setup.exe")))
      << env->Startup.MakerRequests[0].toStdString();
  EXPECT_TRUE(env->Startup.MakerRequests[1].endsWith(QStringLiteral(" /files/fdate.php?svyp=FR-PJ")))
      << env->Startup.MakerRequests[1].toStdString();
  EXPECT_EQ(env->Startup.UpdateDate, QStringLiteral("20240315"));
  EXPECT_EQ(env->Startup.Dialogs, 0);
  EXPECT_EQ(env->Startup.Opened, 0);

  ASSERT_TRUE(StatusWindow);
  EXPECT_EQ(StatusWindow->Owner(), w);
  EXPECT_FALSE(StatusWindow->Visible());
  EXPECT_EQ(w->webbrowser1->Owner(), w);
  EXPECT_EQ(w->webbrowser1->Parent(), w->TabSheet1);
  EXPECT_EQ(w->webbrowser1->Align(), alClient);
  EXPECT_EQ(w->webbrowser1->Editattached(), w->edURL);
  EXPECT_EQ(w->webbrowser1->MemoAttached(), w->mmResults);
}

TEST(MainWindowStartup, ShowsTheStartPageWithEveryPlaceholderFilledIn) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TSuperBrowser* browser = env->Window->webbrowser1;
  const QString page = browser->fStartPage();
  ASSERT_FALSE(page.isEmpty()) << "the start page template is missing";
  for (const char* placeholder : {"$yp$", "$versionyp$", "$webyp$", "$ver$"})
    EXPECT_FALSE(page.contains(QLatin1String(placeholder))) << placeholder;
  EXPECT_EQ(page.count(QStringLiteral("pages jaunes (FR)")), 6);
  EXPECT_EQ(page.count(SearchAddress()), 6);
  EXPECT_EQ(page.count(VERSION), 1);
  EXPECT_TRUE(page.contains(QStringLiteral("Version: FR-PJ.")));
  // Read as lines and joined with CR LF after every line.
  EXPECT_TRUE(page.endsWith(QStringLiteral("\r\n")));
  EXPECT_EQ(page.count(u'\n'), page.count(QStringLiteral("\r\n")));

  // The document the browser shows once the start-up is over is that page.
  const StartupRecord& r = env->Startup;
  EXPECT_EQ(r.Title, QStringLiteral("TFN Start Page"));
  EXPECT_EQ(r.Heading, QStringLiteral("Tallowfinch ") + VERSION);
  EXPECT_FALSE(r.Html.isEmpty());
  EXPECT_FALSE(r.Html.contains(u'$')) << r.Html.left(400).toStdString();
  EXPECT_EQ(r.SearchLinks, QStringLiteral("6"));

  // Home and the menu show the same text again.
  for (TComponent* home : std::initializer_list<TComponent*>{env->Window->ToolBtnHome, env->Window->TFNStartPage1}) {
    browser->Navigate(env->Server->Url(QStringLiteral("/contact.php")));
    ASSERT_TRUE(WaitForTitle(browser, QStringLiteral("Contact")));
    if (auto* b = dynamic_cast<TControl*>(home)) b->Click();
    else dynamic_cast<TMenuItem*>(home)->Click();
    ASSERT_TRUE(WaitForTitle(browser, QStringLiteral("TFN Start Page"))) << home->Name().toStdString();
    EXPECT_EQ(Eval(browser, QStringLiteral("document.documentElement.outerHTML")), r.Html);
    EXPECT_EQ(browser->fStartPage(), page);
  }
}

TEST(MainWindowStartup, WithoutABrowserSaysSoAndOpensAnyway) {
  ASSERT_TRUE(Shared());
  TfrmSplashScreen* shared = StatusWindow;
  testsupport::FakeMessageDialogs dialogs;
  std::unique_ptr<TTestWindow> w = MakeWindow(/*FailBrowser=*/true);
  ASSERT_EQ(dialogs.Requests.size(), 1);
  EXPECT_EQ(dialogs.Requests[0].Text, QStringLiteral("Problem loading Browser"));
  EXPECT_EQ(w->webbrowser1, nullptr);
  // The rest of the start-up still ran.
  EXPECT_EQ(w->Caption(), QStringLiteral("Tallowfinch - FR-PJ - ") + VERSION);
  EXPECT_EQ(w->ToolbtnTFN->Caption(), QStringLiteral("FR-PJ"));
  ASSERT_TRUE(StatusWindow);
  EXPECT_EQ(StatusWindow->Owner(), w.get());
  // Nothing that needs the browser breaks.
  w->ToolBtnHome->Click();
  w->btnCapture->Click();
  w->ToolBtnStop->Click();
  w->Goto1->Click();
  EXPECT_EQ(w->btnCapture->Caption(), QStringLiteral("Capture"));
  EXPECT_EQ(dialogs.Requests.size(), 1);
  w.reset();
  EXPECT_EQ(StatusWindow, nullptr);
  StatusWindow = shared;
  Application->SetMainForm(Shared()->Window.get());
}
