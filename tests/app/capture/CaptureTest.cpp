// The capture loop on the real engine against the loopback directory: whole
// runs over result pages in both layouts (every field of every line, their
// order, duplicates, the last page, indexes without a listing), the ways a
// run ends (no next page, the stop
// flag, the maker's stop page), the name written back into the page, the
// captions of the main window, the auxiliary operations, and the waits.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>
#include <memory>
#include <vector>

#include "app/SiteHosts.h"
#include "app/uFrancePJ20MAY2022.h"
#include "app/uSuperWB.h"
#include "platform/rtl/JSON.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win32/Messages.h"
#include "platform/win32/Scheduler.h"
#include "platform/win32/WinUser.h"
#include "tests/engine/EngineSupport.h"
#include "tests/harness/Harness.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/TestSupport.h"

using enginetest::NavigateAndWait;
using enginetest::PumpUntil;

namespace {

const QString kWhat = QStringLiteral("plombier");
const QString kWhere = QStringLiteral("paris");
constexpr UINT kSetStop = WM_USER + 1;
constexpr UINT kGoToStopPage = WM_USER + 2;
constexpr UINT kAdvanceClock = WM_USER + 3;
constexpr UINT kCount = WM_USER + 4;

QString EmptyLine() {
  QStringList fields;
  for (int i = 0; i < 12; ++i) fields << QStringLiteral("\"\"");
  return fields.join(u',');
}

// The result line of a listing the server put in its page, field by field,
// in the form the parser gives the values: the phone after the blank that
// follows "Tél :" (or right after the marketing notice), the street with the
// blank before the postcode, the city with the blanks around it ("Voir le
// plan" follows it), the listing link on the directory's root.
QString ExpectedLine(const tools::DirectoryListing& l) {
  const QString fields[] = {l.Name,
                            l.MarketingNotice ? l.Phone : u' ' + l.Phone,
                            l.Mobile,
                            l.Street + u' ',
                            l.Zip,
                            u' ' + l.City + u' ',
                            l.Activity,
                            DirectoryRoot() + QStringLiteral("/pros/") + l.Id,
                            QString(),
                            l.Fax,
                            QString(),
                            QString()};
  QStringList quoted;
  for (QString field : fields) quoted << u'"' + field.replace(u'"', QLatin1String("\"\"")) + u'"';
  return quoted.join(u',');
}

// A listing without a heading line break: its name carries quotes, a
// backslash, markup of its own and an entity.
const char kTrickyName[] = "<b>Chez \"Jo\"</b> \\ Fils &amp; Cie";

QByteArray TrickyPage() {
  return QByteArray(
             "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>t</title></head><body>\n"
             "<ul class=\"bi-list\">\n"
             "<li class=\"bi bi-generic bi-pro\">\n"
             "  <h3 class=\"title\">") +
         kTrickyName +
         "</h3>\n"
         "  <div><span>Tél : </span><span>01 02 03 04 05</span></div>\n"
         "</li>\n"
         "<li class=\"bi bi-generic bi-pro\">\n"
         "  <h3 class=\"title\">L'Atelier \\\\ d'Agnès</h3>\n"
         "  <div><span>Tél : </span><span>04 05 06 07 08</span></div>\n"
         "</li>\n"
         "</ul></body></html>\n";
}

// The main window of the tests: a form with a browser, the results memo and
// the address edit, made the application's main form.
struct Host {
  std::unique_ptr<tools::DirectoryServer> Server;
  std::unique_ptr<TForm> Form;
  TSuperBrowser* Browser = nullptr;
  TMemo* Memo = nullptr;
  TEdit* Edit = nullptr;
  QStringList Captions;
  std::function<void(UINT)> OnUser;

  Host() {
    Server = std::make_unique<tools::DirectoryServer>(tools::DirectoryServerOptions{});
    Server->Http().AddPage("/nolistings.html",
                           "<!DOCTYPE html><html><body><h1>Aucun r\xc3\xa9sultat</h1></body></html>");
    Server->Http().AddPage("/tricky.html", TrickyPage(), "text/html; charset=utf-8");
    SetDirectoryRoot(Server->Url(QStringLiteral("/")));
    SetMakerRoot(Server->Url(QStringLiteral("/")));

    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(0, 0, 1000, 600);
    Application->SetMainForm(Form.get());
    Form->SetWindowProc([this, old = Form->WindowProc()](TMessage& m) {
      if (m.Msg >= WM_USER && m.Msg <= WM_USER + 20) {
        if (OnUser) OnUser(m.Msg);
        return;
      }
      old(m);
      if (m.Msg == CM_TEXTCHANGED) Captions << Form->Caption();
    });
    Form->Show();
    Memo = new TMemo(Form.get());
    Memo->SetBounds(700, 0, 300, 500);
    Memo->SetParent(Form.get());
    Edit = new TEdit(Form.get());
    Edit->SetBounds(700, 510, 300, 24);
    Edit->SetParent(Form.get());
    Browser = Create<TSuperBrowser>(Form.get());
    Browser->SetBounds(0, 0, 700, 600);
    Browser->SetCacheFolderName(QStringLiteral("EdgeCache-%1").arg(QCoreApplication::applicationPid()));
    bool startPage = false;
    Browser->OnNavigateComplete = [&](TObject*, TKitCustomWebBrowserNavigateCompleteParams&) { startPage = true; };
    Browser->SetParent(Form.get());
    Browser->SetMemoAttached(Memo);
    Browser->SetEditattached(Edit);
    PumpUntil([&] { return startPage; });
    Browser->OnNavigateComplete = nullptr;
  }

  ~Host() {
    Form.reset();
    PumpUntil([] { return false; }, 100);
  }

  QString PageUrl(int page) const { return Server->ResultsUrl(kWhat, kWhere, page); }

  QStringList MemoLines() const {
    QStringList lines;
    for (int i = 0; i < Memo->Lines()->Count(); ++i) lines << Memo->Lines()->Strings(i);
    return lines;
  }

  int ResultsRequests() const { return Server->Http().RequestCount(tools::DirectoryServer::kResultsPath); }

  // What the capture handler does before it starts the loop.
  void Run() {
    Browser->SetfTimer(PageDelay);
    Browser->SetbStop(false);
    Browser->SetbComplete(false);
    Browser->StartParsingFRPJ();
  }

  // The listings of the page shown, in page order: their text and HTML.
  std::vector<std::pair<QString, QString>> ReadListings() {
    const QString json = Browser->ExecuteJavaScriptSync(QStringLiteral(
        "Array.from(document.querySelectorAll('li[class*=\"bi bi-generic\"]'))"
        ".map(function (e) { return [e.innerText, e.innerHTML]; })"));
    std::vector<std::pair<QString, QString>> listings;
    for (const QJsonValue& item : QJsonDocument::fromJson(json.toUtf8()).array())
      listings.emplace_back(item.toArray().at(0).toString(), item.toArray().at(1).toString());
    return listings;
  }

  QString ScriptString(const QString& script) {
    const std::unique_ptr<TJSONValue> value = TJSONObject::ParseJSONValue(Browser->ExecuteJavaScriptSync(script));
    return value ? value->Value() : QStringLiteral("(not JSON)");
  }
};

std::unique_ptr<Host>& HostSlot() {
  static std::unique_ptr<Host> host;
  return host;
}

class HostRelease : public ::testing::Environment {
 public:
  void TearDown() override { HostSlot().reset(); }
};
::testing::Environment* const kHostRelease = ::testing::AddGlobalTestEnvironment(new HostRelease);

// The parsed entry of a listing read as the capture reads it.
std::unique_ptr<TFrancePJEntry> Parsed(const std::pair<QString, QString>& listing) {
  auto entry = std::make_unique<TFrancePJEntry>(listing.first + listing.second);
  entry->ExecutePagesJaunes();
  return entry;
}

void AppendNew(QStringList& lines, const QString& line) {
  for (const QString& l : lines)
    if (l.compare(line, Qt::CaseInsensitive) == 0) return;
  lines << line;
}

// Points the directory's root at another server for a scope.
struct DirectoryRootAt {
  const QString Previous = DirectoryRoot();
  explicit DirectoryRootAt(const tools::DirectoryServer& server) { SetDirectoryRoot(server.Url(QStringLiteral("/"))); }
  ~DirectoryRootAt() { SetDirectoryRoot(Previous); }
};

class CaptureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    (void)kHostRelease;
    if (!HostSlot()) HostSlot() = std::make_unique<Host>();
    host = HostSlot().get();
    ASSERT_TRUE(host->Browser->IsInitialized()) << "the browser got no view";
    host->Memo->Lines()->Clear();
    host->Memo->OnChange = nullptr;
    host->Edit->OnChange = nullptr;
    host->Edit->SetText(QString());
    host->OnUser = nullptr;
    host->Browser->SetsNextPageURL(QString());
    host->Browser->SetsPageNumber(QString());
    host->Form->SetCaption(QStringLiteral("TFN"));
    host->Captions.clear();
    savedDelay = PageDelay;
    PageDelay = 0;
  }
  void TearDown() override {
    PageDelay = savedDelay;
    if (host) {
      host->Memo->OnChange = nullptr;
      host->Edit->OnChange = nullptr;
      host->OnUser = nullptr;
    }
  }

  // The lines of result page n as an independent read of the page gives
  // them, by listing index.
  QStringList PageLines(int page) {
    EXPECT_TRUE(NavigateAndWait(host->Browser, host->PageUrl(page)).Success);
    QStringList lines;
    for (const auto& listing : host->ReadListings()) lines << Parsed(listing)->ResultLine();
    return lines;
  }

  Host* host = nullptr;
  uint8_t savedDelay = 3;
};

// --- whole runs -------------------------------------------------------------

TEST_F(CaptureTest, ThreePageRunAddsEveryListingInPassOrderAndEndsOnTheLastPage) {
  std::vector<QStringList> pages;
  for (int page = 1; page <= 3; ++page) pages.push_back(PageLines(page));
  // The independent read agrees with what the server put in its pages.
  // The independent read gives every field of what the server put in its
  // pages, as the 2022 layout always gave them.
  for (int page = 1; page <= 3; ++page) {
    const std::vector<tools::DirectoryListing> data = host->Server->Listings(kWhat, kWhere, page);
    ASSERT_EQ(pages[page - 1].size(), 21);
    for (int i = 0; i < 21; ++i) EXPECT_EQ(pages[page - 1][i], ExpectedLine(data[size_t(i)])) << "page " << page << ", " << i;
  }
  QStringList expected;
  for (const QStringList& page : pages)
    for (int i = 20; i >= 0; --i) AppendNew(expected, page[i]);
  // The last page is read once more after its own pass rewrote every
  // listing to its name: none of its lines comes again, and the listings
  // that are only a name now give no line.

  ASSERT_TRUE(NavigateAndWait(host->Browser, host->PageUrl(1)).Success);
  const int requestsBefore = host->ResultsRequests();
  host->Captions.clear();
  host->Run();

  EXPECT_EQ(host->MemoLines(), expected);
  EXPECT_EQ(host->ResultsRequests() - requestsBefore, 2) << "pages 2 and 3, once each";
  EXPECT_TRUE(host->Browser->bComplete());
  EXPECT_TRUE(host->Browser->sNextPageURL().isEmpty());
  EXPECT_EQ(host->Browser->sPageNumber(), QStringLiteral("3"));
  EXPECT_EQ(host->Edit->Text(), DirectoryRoot() + tools::DirectoryServer::ResultsPath(kWhat, kWhere, 3));
  EXPECT_EQ(host->Captions, (QStringList{QStringLiteral("TFN - Travail en cours sur la Page/Currently processing 2"),
                                         QStringLiteral("TFN - Travail en cours sur la Page/Currently processing 3")}));
  EXPECT_EQ(host->Browser->URL(), host->PageUrl(3));
  EXPECT_EQ(host->ScriptString(QStringLiteral("document.body.style.backgroundColor")),
            QStringLiteral("lemonchiffon"));

  // A run that starts on a complete browser ends at once with its caption.
  host->Browser->StartParsingFRPJ();
  EXPECT_EQ(host->Form->Caption(), QStringLiteral("TFN - No more data! Processing Complete..."));
  EXPECT_EQ(host->MemoLines(), expected);
}

TEST_F(CaptureTest, PresentLayoutRunGivesEveryFieldOfEveryListing) {
  tools::DirectoryServerOptions options;
  options.Layout = tools::DirectoryLayout::Present;
  options.PageCount = 3;
  tools::DirectoryServer server(options);
  const DirectoryRootAt root(server);
  std::vector<std::vector<tools::DirectoryListing>> data;
  for (int page = 1; page <= 3; ++page) data.push_back(server.Listings(kWhat, kWhere, page));

  // What the pages hold, read as the capture reads it: 20 listings, and each
  // kind the parser must handle on every page.
  for (int page = 1; page <= 3; ++page) {
    SCOPED_TRACE(page);
    ASSERT_TRUE(NavigateAndWait(host->Browser, server.ResultsUrl(kWhat, kWhere, page)).Success);
    const auto listings = host->ReadListings();
    ASSERT_EQ(listings.size(), 20u);
    int coded = 0, badges = 0, hidden = 0, faxes = 0;
    for (size_t i = 0; i < listings.size(); ++i) {
      const tools::DirectoryListing& l = data[size_t(page - 1)][i];
      const QString& text = listings[i].first;
      const QString& html = listings[i].second;
      EXPECT_TRUE(text.contains(l.Zip + QStringLiteral(" \u00a0") + l.City)) << text.toStdString();
      EXPECT_TRUE(html.contains(QStringLiteral("id=\"epj-") + l.Id + u'"'));
      EXPECT_EQ(html.contains(QStringLiteral("\"/pros/")), !l.CodedLink) << i;
      EXPECT_EQ(text.contains(QStringLiteral("Tél :")), !l.HiddenPhone) << text.toStdString();
      EXPECT_TRUE(html.contains(QStringLiteral("Tél :")));
      coded += l.CodedLink;
      badges += !l.Badge.isEmpty();
      hidden += l.HiddenPhone;
      faxes += !l.Fax.isEmpty();
    }
    EXPECT_GT(coded, 0);
    EXPECT_GT(badges, 0);
    EXPECT_GT(hidden, 0);
    EXPECT_GT(faxes, 0);
  }

  // The lines, pass order, field by field from the server's data.
  QStringList expected;
  for (const auto& page : data)
    for (int i = 19; i >= 0; --i) AppendNew(expected, ExpectedLine(page[size_t(i)]));
  ASSERT_EQ(expected.size(), 60);
  ASSERT_TRUE(NavigateAndWait(host->Browser, server.ResultsUrl(kWhat, kWhere, 1)).Success);
  host->Run();

  const QStringList lines = host->MemoLines();
  ASSERT_EQ(lines.size(), expected.size());
  for (int i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << i;
  EXPECT_TRUE(host->Browser->bComplete());
  EXPECT_EQ(host->Browser->URL(), server.ResultsUrl(kWhat, kWhere, 3));
}

TEST_F(CaptureTest, PageOfTwentyListingsAddsNoLineForTheMissingIndex) {
  tools::DirectoryServerOptions options;
  options.ListingsPerPage = 20;
  options.PageCount = 1;
  options.Seed = 7;
  tools::DirectoryServer server(options);
  const DirectoryRootAt root(server);
  ASSERT_TRUE(NavigateAndWait(host->Browser, server.ResultsUrl(kWhat, kWhere, 1)).Success);
  const auto listings = host->ReadListings();
  ASSERT_EQ(listings.size(), 20u);
  // Index 20 is read first; the page has no listing there.
  QStringList expected;
  for (int i = 19; i >= 0; --i) AppendNew(expected, Parsed(listings[size_t(i)])->ResultLine());
  ASSERT_EQ(expected.size(), 20);

  host->Run();

  EXPECT_EQ(host->MemoLines(), expected);
  EXPECT_FALSE(host->MemoLines().contains(EmptyLine()));
  EXPECT_TRUE(host->Browser->bComplete());
  EXPECT_TRUE(host->Captions.isEmpty()) << (host->Captions.join(u'|')).toStdString();
}

TEST_F(CaptureTest, LineAlreadyInTheMemoInAnotherCaseIsNotAddedAgain) {
  const QStringList page = PageLines(3);
  host->Memo->Lines()->Add(page[5].toUpper());
  host->Memo->Lines()->Add(page[12].toLower());
  QStringList expected{page[5].toUpper(), page[12].toLower()};
  for (int i = 20; i >= 0; --i) AppendNew(expected, page[i]);
  ASSERT_EQ(expected.size(), 2 + 19);

  host->Run();

  EXPECT_EQ(host->MemoLines(), expected);
}

TEST_F(CaptureTest, PageWithoutListingsAddsNoLine) {
  ASSERT_TRUE(NavigateAndWait(host->Browser, host->Server->Url(QStringLiteral("/nolistings.html"))).Success);
  host->Run();
  EXPECT_TRUE(host->MemoLines().isEmpty()) << host->MemoLines().join(u'|').toStdString();
  EXPECT_TRUE(host->Browser->bComplete());
  EXPECT_TRUE(host->Browser->sNextPageURL().isEmpty());
}

// --- ends of a run ----------------------------------------------------------

TEST_F(CaptureTest, StopFlagSetDuringAPassEndsTheRunAfterThatPage) {
  const QStringList page = PageLines(1);
  QStringList expected;
  for (int i = 20; i >= 0; --i) AppendNew(expected, page[i]);
  const int requestsBefore = host->ResultsRequests();
  host->OnUser = [&](UINT msg) {
    if (msg == kSetStop) host->Browser->SetbStop(true);
  };
  host->Edit->SetText(QStringLiteral("untouched"));
  host->Browser->SetfTimer(0);
  host->Browser->SetbStop(false);
  host->Browser->SetbComplete(false);
  // Posted now, handled while the first script of the pass waits.
  PostMessage(host->Form->Handle(), kSetStop, 0, 0);
  host->Browser->StartParsingFRPJ();

  EXPECT_TRUE(host->Browser->bStop());
  EXPECT_EQ(host->MemoLines(), expected);
  // The next-page step returned at once: no address, no script, no page.
  EXPECT_EQ(host->Edit->Text(), QStringLiteral("untouched"));
  PumpUntil([] { return false; }, 1500);
  EXPECT_EQ(host->ResultsRequests(), requestsBefore);
  EXPECT_FALSE(host->Browser->bComplete());
  EXPECT_TRUE(host->Captions.isEmpty()) << (host->Captions.join(u'|')).toStdString();
}

TEST_F(CaptureTest, LeavingForTheMakersStopPageEndsTheRunByItself) {
  const QStringList page = PageLines(1);
  const int requestsBefore = host->ResultsRequests();
  const int stopPagesBefore = host->Server->Http().RequestCount("/stoppressed.html");
  // What the capture button's stop path does, from the message loop, once
  // three lines are in.
  host->OnUser = [&](UINT msg) {
    if (msg == kGoToStopPage) host->Browser->Navigate(MakerRoot() + QStringLiteral("/stoppressed.html"));
  };
  host->Memo->OnChange = [&](TObject*) {
    if (host->Memo->Lines()->Count() == 3) PostMessage(host->Form->Handle(), kGoToStopPage, 0, 0);
  };
  host->Run();

  const QStringList lines = host->MemoLines();
  ASSERT_GE(lines.size(), 3);
  EXPECT_FALSE(lines.contains(EmptyLine()));
  // Lines of the first page; the listing read while the stop page came in
  // may have lost its text and kept only its HTML.
  QStringList names;
  for (const tools::DirectoryListing& l : host->Server->Listings(kWhat, kWhere, 1))
    names << u'"' + l.Name + QStringLiteral("\",");
  for (int i = 0; i < lines.size(); ++i) {
    const QString& line = lines[i];
    EXPECT_TRUE(page.contains(line) || std::any_of(names.begin(), names.end(),
                                                   [&](const QString& n) { return line.startsWith(n); }))
        << line.toStdString();
  }
  EXPECT_TRUE(page.contains(lines[0]) && page.contains(lines[1]) && page.contains(lines[2]));
  EXPECT_LT(lines.size(), 21) << "the rest of the first page came from the stop page";
  EXPECT_EQ(host->ResultsRequests(), requestsBefore);
  EXPECT_EQ(host->Server->Http().RequestCount("/stoppressed.html"), stopPagesBefore + 1);
  EXPECT_TRUE(host->Browser->bComplete());
  EXPECT_TRUE(host->Browser->sNextPageURL().isEmpty());
  EXPECT_EQ(host->Browser->URL(), MakerRoot() + QStringLiteral("/stoppressed.html"));
}

TEST_F(CaptureTest, PassStartedWithAFlagSetOnlySetsItsCaption) {
  struct Case {
    bool Stop;
    bool Complete;
    const char* Caption;
  };
  const Case cases[] = {
      {true, false, "TFN - STOP pressed! Process Complete..."},
      {true, true, "TFN - STOP pressed! Process Complete..."},
      {false, true, "TFN - No more data! Processing Complete..."},
  };
  ASSERT_TRUE(NavigateAndWait(host->Browser, host->PageUrl(1)).Success);
  for (const Case& c : cases) {
    host->Browser->SetbStop(c.Stop);
    host->Browser->SetbComplete(c.Complete);
    host->Browser->StartParsingFRPJ();
    EXPECT_EQ(host->Form->Caption(), QString::fromUtf8(c.Caption));
  }
  EXPECT_TRUE(host->MemoLines().isEmpty());
  EXPECT_EQ(host->ScriptString(QStringLiteral("document.body.style.backgroundColor")), QString());

  // Stopped while the next-page step hands over the address: the step
  // says so and starts no pass; its script still answers.
  ASSERT_TRUE(NavigateAndWait(host->Browser, host->Server->Url(QStringLiteral("/nolistings.html"))).Success);
  host->Browser->SetbStop(false);
  host->Browser->SetbComplete(false);
  host->Browser->SetsNextPageURL(QStringLiteral("https://example.invalid/?page=4"));
  host->Edit->OnChange = [&](TObject*) { host->Browser->SetbStop(true); };
  host->Browser->TurntoNextPageFRPJ();
  EXPECT_EQ(host->Form->Caption(), QStringLiteral("TFN - Plus rien à capturer/No more data to collect!"));
  EXPECT_EQ(host->Edit->Text(), QStringLiteral("https://example.invalid/?page=4"));
  EXPECT_TRUE(PumpUntil([&] { return host->Browser->bComplete(); }, 10000));
  EXPECT_TRUE(host->MemoLines().isEmpty());
  EXPECT_EQ(host->ScriptString(QStringLiteral("document.body.style.backgroundColor")), QString());
}

TEST_F(CaptureTest, FailureInsideAPassReachesTheCaller) {
  ASSERT_TRUE(NavigateAndWait(host->Browser, host->PageUrl(1)).Success);
  host->Memo->OnChange = [&](TObject*) {
    if (host->Memo->Lines()->Count() == 2) throw Exception(QStringLiteral("disk full"));
  };
  EXPECT_EQ(testsupport::MessageOf([&] { host->Run(); }), QStringLiteral("Exception: disk full"));
  EXPECT_EQ(host->MemoLines().size(), 2);
  // The browser is still fit for a run.
  host->Memo->OnChange = nullptr;
  host->Memo->Lines()->Clear();
  ASSERT_TRUE(NavigateAndWait(host->Browser, host->Server->Url(QStringLiteral("/tricky.html"))).Success);
  host->Run();
  EXPECT_EQ(host->MemoLines().size(), 2);
}

// --- the name written back --------------------------------------------------

TEST_F(CaptureTest, NameIsWrittenBackIntoThePageExactly) {
  ASSERT_TRUE(NavigateAndWait(host->Browser, host->Server->Url(QStringLiteral("/tricky.html"))).Success);
  const auto listings = host->ReadListings();
  ASSERT_EQ(listings.size(), 2u);
  const QString first = Parsed(listings[0])->fNameOnly();
  const QString second = Parsed(listings[1])->fNameOnly();
  ASSERT_EQ(first, QString::fromUtf8(kTrickyName));
  ASSERT_EQ(second, QStringLiteral("L'Atelier \\\\ d'Agnès"));

  // One pass only, so the page keeps what that pass wrote.
  host->OnUser = [&](UINT msg) {
    if (msg == kSetStop) host->Browser->SetbStop(true);
  };
  host->Browser->SetfTimer(0);
  host->Browser->SetbStop(false);
  host->Browser->SetbComplete(false);
  PostMessage(host->Form->Handle(), kSetStop, 0, 0);
  host->Browser->StartParsingFRPJ();

  const auto written = host->ReadListings();
  ASSERT_EQ(written.size(), 2u);
  EXPECT_EQ(written[0].second, first);
  EXPECT_EQ(written[0].first, QStringLiteral("Chez \"Jo\" \\ Fils & Cie"));
  EXPECT_EQ(written[1].second, second);
  // The result line doubles the quotes of its fields.
  const QStringList lines = host->MemoLines();
  ASSERT_EQ(lines.size(), 2);
  EXPECT_TRUE(lines[0].startsWith(QStringLiteral("\"L'Atelier \\\\ d'Agnès\",\" 04 05 06 07 08"))) << lines[0].toStdString();
  EXPECT_TRUE(lines[1].startsWith(QStringLiteral("\"<b>Chez \"\"Jo\"\"</b> \\ Fils & Cie\",\" 01 02 03 04 05"))) << lines[1].toStdString();
}

TEST_F(CaptureTest, StringLiteralGivesBackTheTextInThePage) {
  const QString cases[] = {
      QString(),
      QStringLiteral("plain"),
      QStringLiteral("say \"hi\" and 'bye'"),
      QStringLiteral("back\\slash \\\" \\n"),
      QStringLiteral("line\nbreak\r\nand\rmore"),
      QStringLiteral("tab\tform\fvertical\v"),
      QString::fromUtf16(u"sep\u2028para\u2029end"),
      QStringLiteral("</script><script>alert(1)</script> <!-- x"),
      QString::fromUtf16(u"accents éàç œ 😀"),
      QString(QChar(0)) + QStringLiteral("nul"),
      QString(QChar(0xDC00)) + QStringLiteral(" lone"),
  };
  ASSERT_TRUE(NavigateAndWait(host->Browser, host->Server->Url(QStringLiteral("/nolistings.html"))).Success);
  for (const QString& text : cases) {
    const QString literal = JavaScriptStringLiteral(text);
    EXPECT_TRUE(literal.startsWith(u'"') && literal.endsWith(u'"')) << literal.toStdString();
    for (const QChar c : literal.mid(1, literal.size() - 2)) {
      EXPECT_NE(c, u'\n') << literal.toStdString();
      EXPECT_NE(c, u'\r') << literal.toStdString();
      EXPECT_NE(c, QChar(0x2028)) << literal.toStdString();
    }
    EXPECT_FALSE(literal.contains(QStringLiteral("</"))) << literal.toStdString();
    EXPECT_EQ(host->ScriptString(QStringLiteral("var s = ") + literal + QStringLiteral("; s;")), text) << literal.toStdString();
  }
}

// --- auxiliary operations ---------------------------------------------------

TEST_F(CaptureTest, AuxiliaryOperations) {
  testsupport::FakeMessageDialogs dialogs;
  ASSERT_TRUE(NavigateAndWait(host->Browser, host->PageUrl(1)).Success);

  host->Browser->SetInnerText();
  EXPECT_EQ(host->Browser->fInnerText(), host->ScriptString(QStringLiteral("document.body.innerHTML")));
  EXPECT_TRUE(host->Browser->fInnerText().contains(QLatin1String("pagination-next")));

  // The bridge script asks for a member that does not exist: null.
  host->Browser->SetfInnerHtml(QString());
  host->Browser->BridgeHTML(QStringLiteral("ignored"));
  ASSERT_EQ(dialogs.Requests.size(), 1);
  EXPECT_EQ(dialogs.Requests[0].Text, QStringLiteral("yeah"));
  EXPECT_TRUE(PumpUntil([&] { return !host->Browser->fInnerHtml().isEmpty(); }, 10000));
  EXPECT_EQ(host->Browser->fInnerHtml(), QStringLiteral("null"));

  // Next page: navigates there and says which page it shows.
  host->Browser->SetfTimer(0);
  host->Browser->SetsPageNumber(QStringLiteral("7"));
  const int requestsBefore = host->ResultsRequests();
  host->Browser->GetNextPageURL();
  EXPECT_TRUE(PumpUntil([&] { return host->Browser->URL() == host->PageUrl(2); }, 10000));
  EXPECT_TRUE(PumpUntil([&] { return host->Form->Caption() == QStringLiteral(" TFN - Current Page: 7"); }, 10000));
  EXPECT_EQ(host->ResultsRequests(), requestsBefore + 1);

  // Without a next page: a message, and the stop flag.
  ASSERT_TRUE(NavigateAndWait(host->Browser, host->Server->Url(QStringLiteral("/nolistings.html"))).Success);
  host->Browser->SetbStop(false);
  host->Browser->GetNextPageURL();
  EXPECT_TRUE(PumpUntil([&] { return host->Browser->bStop(); }, 10000));
  ASSERT_EQ(dialogs.Requests.size(), 2);
  EXPECT_EQ(dialogs.Requests[1].Text, QStringLiteral("Pages have been processed!"));

  bool navigated = false;
  host->Browser->OnNavigateComplete = [&](TObject*, TKitCustomWebBrowserNavigateCompleteParams&) { navigated = true; };
  host->Browser->BridgeNav(host->PageUrl(3));
  EXPECT_TRUE(PumpUntil([&] { return navigated; }));
  host->Browser->OnNavigateComplete = nullptr;
  EXPECT_EQ(host->Browser->URL(), host->PageUrl(3));

  QElapsedTimer timer;
  timer.start();
  host->Browser->DocumentComplete(nullptr);
  EXPECT_GE(timer.elapsed(), 995);  // whole milliseconds of the tick count
}

// --- without the engine -----------------------------------------------------

TEST(CaptureNoEngine, NextPageNumberFromTheAddress) {
  struct Case {
    const char* Url;
    const char* Number;
  };
  const Case cases[] = {
      {"https://www.pagesjaunes.fr/annuaire/chercherlespros?quoiqui=plombier&ou=paris&page=2", "2"},
      {"https://x/?PAGE=17&ou=lyon", "17"},
      {"https://x/?apage=3&page=4", "3"},
      {"https://x/?page=x", "before"},
      {"https://x/?pages=", "before"},
      {"", "before"},
  };
  auto browser = CreateUnique<TSuperBrowser>(nullptr);
  for (const Case& c : cases) {
    browser->SetsPageNumber(QStringLiteral("before"));
    browser->SetsNextPageURL(QString::fromUtf8(c.Url));
    browser->GetNextPageNumberFromURL();
    EXPECT_EQ(browser->sPageNumber(), QString::fromUtf8(c.Number)) << c.Url;
  }
}

TEST(CaptureNoEngine, NavigationHandlersDoNothing) {
  auto browser = CreateUnique<TSuperBrowser>(nullptr);
  browser->SetURL(QStringLiteral("https://example.invalid/a"));
  TKitCustomWebBrowserBeforeNavigateParams before{QStringLiteral("https://example.invalid/b"), false};
  browser->KitWebBrowser1BeforeNavigate(browser.get(), before);
  EXPECT_EQ(before.URL, QStringLiteral("https://example.invalid/b"));
  EXPECT_FALSE(before.Cancel);
  TKitCustomWebBrowserNavigateCompleteParams complete{QStringLiteral("https://example.invalid/b"), true, 0};
  browser->KitWebBrowser1NavigateComplete(browser.get(), complete);
  EXPECT_EQ(complete.URL, QStringLiteral("https://example.invalid/b"));
  EXPECT_TRUE(complete.Success);
  EXPECT_EQ(browser->URL(), QStringLiteral("https://example.invalid/a"));
  // Nothing binds them to the browser's events.
  EXPECT_FALSE(browser->OnBeforeNavigate);
  EXPECT_FALSE(browser->OnNavigateComplete);
}

TEST(CaptureNoEngine, AttachedMemoAndEditAreForgottenWhenDestroyed) {
  TForm form(nullptr);
  auto* browser = Create<TSuperBrowser>(&form);
  auto* memo = new TMemo(&form);
  auto* edit = new TEdit(&form);
  browser->SetMemoAttached(memo);
  browser->SetEditattached(edit);
  EXPECT_EQ(browser->MemoAttached(), memo);
  EXPECT_EQ(browser->Editattached(), edit);
  delete memo;
  EXPECT_EQ(browser->MemoAttached(), nullptr);
  EXPECT_EQ(browser->Editattached(), edit);
  delete edit;
  EXPECT_EQ(browser->Editattached(), nullptr);

  // One memo in both places stays known until both let it go.
  auto* both = new TMemo(&form);
  browser->SetMemoAttached(both);
  browser->SetEditattached(both);
  browser->SetMemoAttached(nullptr);
  delete both;
  EXPECT_EQ(browser->Editattached(), nullptr);

  // The browser going first leaves the memo nothing to call back.
  auto* last = new TMemo(&form);
  browser->SetMemoAttached(last);
  delete browser;
  delete last;
}

TEST(CaptureNoEngine, ResultThatIsNotJsonCountsAsNull) {
  // Without a view every script answers the empty text at once.
  TForm form(nullptr);
  auto* memo = new TMemo(&form);
  auto* browser = Create<TSuperBrowser>(&form);
  browser->SetMemoAttached(memo);
  ASSERT_FALSE(browser->IsInitialized());
  ASSERT_EQ(browser->ExecuteJavaScriptSync(QStringLiteral("1")), QString());
  // The flag comes from the message loop during the page delay.
  form.SetWindowProc([browser, old = form.WindowProc()](TMessage& m) {
    if (m.Msg == kSetStop) browser->SetbStop(true);
    else old(m);
  });
  PostMessage(form.Handle(), kSetStop, 0, 0);
  browser->SetfTimer(0);
  browser->StartParsingFRPJ();
  // Every read gave "null", a text without any field: no line.
  EXPECT_EQ(memo->Lines()->Count(), 0);
  EXPECT_TRUE(browser->bStop());
  browser->SetInnerText();
  EXPECT_EQ(browser->fInnerText(), QStringLiteral("null"));
}

TEST(CaptureWaits, PumpMessagesForDispatchesAndLastsItsTime) {
  TForm form(nullptr);
  int handled = 0;
  form.SetWindowProc([&, old = form.WindowProc()](TMessage& m) {
    if (m.Msg == kCount) ++handled;
    else old(m);
  });
  const HWND window = form.Handle();

  QElapsedTimer timer;
  PostMessage(window, kCount, 0, 0);
  timer.start();
  PumpMessagesFor(0);
  EXPECT_LT(timer.elapsed(), 20);
  EXPECT_EQ(handled, 0) << "no wait, no messages";

  timer.start();
  PumpMessagesFor(300);
  const qint64 took = timer.elapsed();
  EXPECT_EQ(handled, 1);
  EXPECT_GE(took, 295);  // whole milliseconds of the tick count
  EXPECT_LT(took, 1500);

  // Messages posted during the wait are handled during it.
  form.SetWindowProc([&, old = form.WindowProc()](TMessage& m) {
    if (m.Msg == kCount && ++handled < 6) PostMessage(window, kCount, 0, 0);
    else if (m.Msg != kCount) old(m);
  });
  handled = 0;
  PostMessage(window, kCount, 0, 0);
  PumpMessagesFor(100);
  EXPECT_EQ(handled, 6);

  PageDelay = 0;
  timer.start();
  WaitScrapeDelay();
  EXPECT_LT(timer.elapsed(), 100);
  PageDelay = 3;

  timer.start();
  TrimWorkingSet();
  EXPECT_LT(timer.elapsed(), 1000);
}

TEST(CaptureWaits, PumpMessagesForUnderAManualClock) {
  TForm form(nullptr);
  const HWND window = form.Handle();
  vcltest::TManualClock clock;
  // The clock standing still does not hold the wait past its real length.
  QElapsedTimer timer;
  timer.start();
  PumpMessagesFor(200);
  qint64 took = timer.elapsed();
  EXPECT_GE(took, 195);
  EXPECT_LT(took, 1500);

  // A test moving its clock past the end ends the wait.
  form.SetWindowProc([&, old = form.WindowProc()](TMessage& m) {
    if (m.Msg == kAdvanceClock) TScheduler::Instance().Advance(60000);
    else old(m);
  });
  PostMessage(window, kAdvanceClock, 0, 0);
  timer.start();
  PumpMessagesFor(30000);
  took = timer.elapsed();
  EXPECT_LT(took, 1000);
}

}  // namespace
