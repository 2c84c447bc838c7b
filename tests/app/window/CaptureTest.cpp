// The capture button's handler: the question to empty the memo, the
// summary, the stop path while a run is busy, a run that fails, and the
// " Stop" button.

#include <gtest/gtest.h>

#include <QTimer>
#include <functional>

#include "app/SiteHosts.h"
#include "app/uSplashScreen.h"
#include "tests/app/window/WindowSupport.h"

using namespace windowtest;

namespace {

const QString kQuestion = QStringLiteral("Vider les résultats précédents ?\rEmpty previous data results first?");
const QString kReminder = QStringLiteral(
    "Maintenant, supprimez les doublons (petit bouton), ou bien videz la grille avec le bouton de droite <- !");

QString Summary(int Lines, const QString& Reminder) {
  return QStringLiteral("A total of %1 addresses have been scraped!\rDon't forget to eliminate duplicates (small "
                        "button)!\ror empty the grid with the <- button! \r")
             .arg(Lines) +
         Reminder;
}

// The window as it is between runs.
void ExpectIdle(TTestWindow* w) {
  EXPECT_EQ(w->btnCapture->Caption(), QStringLiteral("Capture"));
  EXPECT_EQ(w->btnCapture->ImageIndex(), 8);
  EXPECT_TRUE(w->ToolbtnBack->Enabled());
  EXPECT_TRUE(w->ToolBtnForward->Enabled());
  EXPECT_FALSE(w->ToolBtnStop->Enabled());
  EXPECT_FALSE(StopPressed);
}

void SetLines(TMemo* Memo, const QStringList& Lines) {
  Memo->Lines()->Clear();
  for (const QString& line : Lines) Memo->Lines()->Add(line);
}

}  // namespace

TEST(MainWindowCapture, AsksToEmptyTheMemoRunsAndSumsUp) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  TSuperBrowser* browser = w->webbrowser1;
  const QString results = env->Server->ResultsUrl(QStringLiteral("plombier"), QStringLiteral("paris"), 2);
  PageDelay = 0;
  for (const TModalResult answer : {mrNo, mrYes}) {
    SCOPED_TRACE(answer == mrYes ? "Yes" : "No");
    browser->Navigate(results);
    ASSERT_TRUE(WaitForUrl(browser, results));
    SetLines(w->mmResults, {"\"earlier\",\"line\"", "\"and\",\"another\""});
    w->edURL->SetText(QString());
    w->PageControl1->SetActivePage(w->tbSaveToExcel);
    testsupport::FakeMessageDialogs dialogs;
    dialogs.Answers = {answer, mrOk};
    // What the run sees when it starts.
    bool running = false;
    QString caption;
    bool back = true, stop = false;
    int image = -1;
    TTabSheet* tab = nullptr;
    w->CaptureRun = [&] {
      running = true;
      caption = w->btnCapture->Caption();
      image = w->btnCapture->ImageIndex();
      back = w->ToolbtnBack->Enabled() || w->ToolBtnForward->Enabled();
      stop = w->ToolBtnStop->Enabled();
      tab = w->PageControl1->ActivePage();
      EXPECT_EQ(browser->fTimer(), 0);
      EXPECT_FALSE(browser->bStop());
      EXPECT_FALSE(browser->bComplete());
      EXPECT_FALSE(StatusWindow->Visible());
      w->mmResults->Lines()->Add(QStringLiteral("\"captured\""));
    };
    w->btnCapture->Click();
    w->CaptureRun = nullptr;
    ASSERT_TRUE(running);
    EXPECT_EQ(caption, QStringLiteral("STOP!"));
    EXPECT_EQ(image, 0);
    EXPECT_FALSE(back);
    EXPECT_TRUE(stop);
    EXPECT_EQ(tab, w->tbResults);
    EXPECT_EQ(w->edURL->Text(), results) << "the address of the page the run starts on";
    EXPECT_EQ(StatusWindow->lblMessages->Caption(), QStringLiteral("Fully loaded"));

    const int lines = answer == mrYes ? 1 : 3;
    EXPECT_EQ(w->mmResults->Lines()->Count(), lines);
    ASSERT_EQ(dialogs.Requests.size(), 2);
    EXPECT_EQ(dialogs.Requests[0].Text, kQuestion);
    EXPECT_EQ(dialogs.Requests[0].DlgType, mtInformation);
    EXPECT_EQ(dialogs.Requests[0].Buttons, QList<TModalResult>({mrYes, mrNo}));
    EXPECT_EQ(dialogs.Requests[1].Text, Summary(lines, kReminder));
    EXPECT_EQ(w->Caption(), QStringLiteral("TFN - A total of %1 addresses have been scraped!").arg(lines));
    ExpectIdle(w);
  }

  // An empty memo asks nothing.
  SetLines(w->mmResults, {});
  testsupport::FakeMessageDialogs dialogs;
  w->CaptureRun = [] {};
  w->btnCapture->Click();
  w->CaptureRun = nullptr;
  ASSERT_EQ(dialogs.Requests.size(), 1);
  EXPECT_EQ(dialogs.Requests[0].Text, Summary(0, kReminder));
}

TEST(MainWindowCapture, TheBrowsersRunReadsEveryPageAndSumsUp) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  TSuperBrowser* browser = w->webbrowser1;
  const QString results = env->Server->ResultsUrl(QStringLiteral("plombier"), QStringLiteral("paris"), 1);
  PageDelay = 0;
  browser->Navigate(results);
  ASSERT_TRUE(WaitForUrl(browser, results));
  SetLines(w->mmResults, {QStringLiteral("Scraping results, one page at a time...")});
  testsupport::FakeMessageDialogs dialogs;
  dialogs.Answers = {mrYes, mrOk};
  w->btnCapture->Click();
  // Every listing of the three result pages is in the memo, and the summary
  // counts the memo's lines.
  const QString text = w->mmResults->Lines()->Text();
  for (int page = 1; page <= env->Server->Options().PageCount; ++page)
    for (const auto& listing : env->Server->Listings(QStringLiteral("plombier"), QStringLiteral("paris"), page))
      EXPECT_TRUE(text.contains(QStringLiteral("/pros/") + listing.Id)) << "page " << page << ": " << listing.Name.toStdString();
  const int lines = w->mmResults->Lines()->Count();
  EXPECT_EQ(lines, 63) << "21 listings on each of the three pages, nothing else";
  ASSERT_EQ(dialogs.Requests.size(), 2);
  EXPECT_EQ(dialogs.Requests[1].Text, Summary(lines, kReminder));
  EXPECT_EQ(w->Caption(), QStringLiteral("TFN - A total of %1 addresses have been scraped!").arg(lines));
  ExpectIdle(w);
}

TEST(MainWindowCapture, ARunOverAPageWithoutListingsCountsNone) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  TSuperBrowser* browser = w->webbrowser1;
  // The directory's answer to a page past the last: an error page.
  const QString missing = env->Server->ResultsUrl(QStringLiteral("plombier"), QStringLiteral("paris"), 99);
  PageDelay = 0;
  browser->Navigate(missing);
  ASSERT_TRUE(WaitForUrl(browser, missing));
  SetLines(w->mmResults, {QStringLiteral("Scraping results, one page at a time...")});
  testsupport::FakeMessageDialogs dialogs;
  dialogs.Answers = {mrYes, mrOk};
  w->btnCapture->Click();
  EXPECT_EQ(w->mmResults->Lines()->Count(), 0);
  ASSERT_EQ(dialogs.Requests.size(), 2);
  EXPECT_EQ(dialogs.Requests[1].Text, Summary(0, kReminder));
  EXPECT_EQ(w->Caption(), QStringLiteral("TFN - A total of 0 addresses have been scraped!"));
  ExpectIdle(w);
}

TEST(MainWindowCapture, ASecondPressStopsTheRunWhichStillSumsUp) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  TSuperBrowser* browser = w->webbrowser1;
  const QString results = env->Server->ResultsUrl(QStringLiteral("plombier"), QStringLiteral("paris"), 1);
  browser->Navigate(results);
  ASSERT_TRUE(WaitForUrl(browser, results));
  PageDelay = 0;
  SetLines(w->mmResults, {"\"one\""});
  testsupport::FakeMessageDialogs dialogs;
  dialogs.Answers = {mrNo};
  int summariesInside = -1;
  bool stopPressedInside = true;
  QString captionInside;
  w->CaptureRun = [&] {
    // The user presses the button again while the run keeps the loop alive.
    w->btnCapture->Click();
    summariesInside = int(dialogs.Requests.size()) - 1;
    stopPressedInside = StopPressed;
    captionInside = w->btnCapture->Caption();
    EXPECT_FALSE(StatusWindow->Visible());
    EXPECT_TRUE(WaitForUrl(browser, MakerRoot() + QStringLiteral("/stoppressed.html")));
    w->mmResults->Lines()->Add(QStringLiteral("\"two\""));
  };
  w->btnCapture->Click();
  w->CaptureRun = nullptr;
  EXPECT_EQ(summariesInside, 0) << "the stop press itself says nothing";
  EXPECT_FALSE(stopPressedInside);
  EXPECT_EQ(captionInside, QStringLiteral("Capture"));
  // The interrupted run says how far it came.
  ASSERT_EQ(dialogs.Requests.size(), 2);
  EXPECT_EQ(dialogs.Requests[1].Text, Summary(2, kReminder));
  EXPECT_EQ(w->Caption(), QStringLiteral("TFN - A total of 2 addresses have been scraped!"));
  ExpectIdle(w);

  // A press of a button left at "STOP!" takes the stop path on its own.
  dialogs.Requests.clear();
  w->btnCapture->SetCaption(QStringLiteral("STOP!"));
  browser->Navigate(results);
  ASSERT_TRUE(WaitForUrl(browser, results));
  w->btnCapture->Click();
  EXPECT_TRUE(dialogs.Requests.isEmpty());
  EXPECT_TRUE(WaitForUrl(browser, MakerRoot() + QStringLiteral("/stoppressed.html")));
  EXPECT_EQ(w->Caption(), QStringLiteral("TFN - A total of 2 addresses have been scraped!"));
  ExpectIdle(w);
}

TEST(MainWindowCapture, AFailedRunIsReportedAndLeavesTheWindowUsable) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  PageDelay = 0;
  SetLines(w->mmResults, {});
  testsupport::FakeMessageDialogs dialogs;
  w->CaptureRun = [] { throw EConvertError(QStringLiteral("'abc' is not a valid integer value.")); };
  w->btnCapture->Click();
  w->CaptureRun = nullptr;
  ASSERT_EQ(dialogs.Requests.size(), 1) << "the failure, and no summary";
  EXPECT_EQ(dialogs.Requests[0].Text, QStringLiteral("'abc' is not a valid integer value."));
  ExpectIdle(w);
  EXPECT_FALSE(StatusWindow->Visible());

  // The next press starts a run again.
  bool ran = false;
  w->CaptureRun = [&] { ran = true; };
  w->btnCapture->Click();
  w->CaptureRun = nullptr;
  EXPECT_TRUE(ran);
  ExpectIdle(w);
}

TEST(MainWindowCapture, StopButtonAsksTheRunToEnd) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  TSuperBrowser* browser = w->webbrowser1;
  PageDelay = 0;
  SetLines(w->mmResults, {});
  testsupport::FakeMessageDialogs dialogs;
  bool stopBefore = true, stopAfter = false, back = false, forward = false;
  w->CaptureRun = [&] {
    stopBefore = browser->bStop();
    w->ToolBtnStop->Click();
    stopAfter = browser->bStop();
    back = w->ToolbtnBack->Enabled();
    forward = w->ToolBtnForward->Enabled();
  };
  w->btnCapture->Click();
  w->CaptureRun = nullptr;
  EXPECT_FALSE(stopBefore);
  EXPECT_TRUE(stopAfter);
  EXPECT_TRUE(back);
  EXPECT_TRUE(forward);
  ASSERT_EQ(dialogs.Requests.size(), 1);
  EXPECT_EQ(dialogs.Requests[0].Text, Summary(0, kReminder));
  ExpectIdle(w);
}

// Real runs, interrupted by the user while the loop keeps the window alive.
namespace {

// Counts the requests for result page n of the plumber search.
int PageRequests(Environment* env, int Page) {
  int count = 0;
  const QByteArray page = "page=" + QByteArray::number(Page);
  for (const auto& request : env->Server->Http().Requests())
    if (request.Path == tools::DirectoryServer::kResultsPath && request.Query.contains("quoiqui=serrurier") &&
        request.Query.endsWith(page))
      ++count;
  return count;
}

// Runs Action once, from the message loop, as soon as Ready answers true.
void WhenReady(QObject* Context, std::function<bool()> Ready, std::function<void()> Action) {
  auto* timer = new QTimer(Context);
  timer->setInterval(20);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, Ready = std::move(Ready), Action = std::move(Action)] {
    if (!Ready()) return;
    timer->stop();
    timer->deleteLater();
    Action();
  });
  timer->start();
}

}  // namespace

TEST(MainWindowCapture, TheStopButtonEndsARealRunAfterItsCurrentPage) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  TSuperBrowser* browser = w->webbrowser1;
  const QString results = env->Server->ResultsUrl(QStringLiteral("serrurier"), QStringLiteral("lyon"), 1);
  PageDelay = 0;
  browser->Navigate(results);
  ASSERT_TRUE(WaitForUrl(browser, results));
  SetLines(w->mmResults, {});
  testsupport::FakeMessageDialogs dialogs;
  // The user presses " Stop" once the first page is read.
  WhenReady(w->Widget(), [&] { return w->mmResults->Lines()->Count() >= 21; }, [&] { w->ToolBtnStop->Click(); });
  w->btnCapture->Click();
  EXPECT_EQ(w->mmResults->Lines()->Count(), 21) << "the first page, and nothing after it";
  EXPECT_EQ(PageRequests(env, 2), 0) << "no further page was asked for";
  ASSERT_EQ(dialogs.Requests.size(), 1);
  EXPECT_EQ(dialogs.Requests[0].Text, Summary(21, kReminder));
  EXPECT_EQ(w->Caption(), QStringLiteral("TFN - A total of 21 addresses have been scraped!"));
  ExpectIdle(w);
}

TEST(MainWindowCapture, ASecondPressDuringARealRunLeavesForTheStopPageAndSumsUp) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  TSuperBrowser* browser = w->webbrowser1;
  const QString results = env->Server->ResultsUrl(QStringLiteral("serrurier"), QStringLiteral("nantes"), 1);
  PageDelay = 0;
  browser->Navigate(results);
  ASSERT_TRUE(WaitForUrl(browser, results));
  SetLines(w->mmResults, {});
  testsupport::FakeMessageDialogs dialogs;
  // The user presses "STOP!" while the first page is being read.
  bool pressed = false;
  WhenReady(w->Widget(), [&] { return w->mmResults->Lines()->Count() >= 5; }, [&] {
    pressed = true;
    w->btnCapture->Click();
  });
  w->btnCapture->Click();
  ASSERT_TRUE(pressed);
  EXPECT_TRUE(WaitForUrl(browser, MakerRoot() + QStringLiteral("/stoppressed.html")));
  const int lines = w->mmResults->Lines()->Count();
  EXPECT_GE(lines, 5);
  EXPECT_LT(lines, 63) << "the run did not go on through the result pages";
  ASSERT_EQ(dialogs.Requests.size(), 1) << "the stop press says nothing, the run sums up";
  EXPECT_EQ(dialogs.Requests[0].Text, Summary(lines, kReminder));
  EXPECT_EQ(w->Caption(), QStringLiteral("TFN - A total of %1 addresses have been scraped!").arg(lines));
  ExpectIdle(w);
}
