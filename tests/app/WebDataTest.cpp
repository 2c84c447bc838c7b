// The page fetcher against a loopback server: markers, events, harvested
// images and links, status handling, credentials, file mode and the worker
// thread; plus its address helpers and component streaming.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <atomic>
#include <memory>

#include "app/WebData.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Threads.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::EnvOverride;
using testsupport::LoopbackHttpServer;
using testsupport::TempDir;

QStringList ToList(const TStringList* list) {
  QStringList out;
  for (int i = 0; i < list->Count(); ++i) out << list->Strings(i);
  return out;
}

class WebDataTest : public ::testing::Test {
 protected:
  WebDataTest() : tmpdir_("TMPDIR", temp_.Path()) {
    wd_ = std::make_unique<TWebData>(nullptr);
    wd_->OnProgress = [this](TObject* sender, int i) {
      EXPECT_EQ(sender, wd_.get());
      log_ << QStringLiteral("progress %1").arg(i);
    };
    wd_->OnData = [this](TObject*, int i, const QString& data) {
      log_ << QStringLiteral("data %1 [%2]").arg(i).arg(data);
    };
    wd_->OnCollectError = [this](TObject*, int i, int code) {
      log_ << QStringLiteral("error %1 %2").arg(i).arg(code);
    };
  }

  TWebDataItem* AddItem(const QString& path, const QString& first = QString(),
                        const QString& from = QString(), const QString& to = QString()) {
    TWebDataItem* item = wd_->Data()->Add();
    item->SetURL(path.startsWith(u'/') ? server_.Url(path) : path);
    item->SetScanFirst(first);
    item->SetScanFrom(from);
    item->SetScanTo(to);
    return item;
  }

  // The files left in the temporary folder.
  QStringList TempFiles() const {
    return QDir(temp_.Path()).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
  }

  LoopbackHttpServer server_;
  TempDir temp_;
  EnvOverride tmpdir_;
  std::unique_ptr<TWebData> wd_;
  QStringList log_;
};

TEST_F(WebDataTest, MarkersCutTheDataOutOfOnePageFetchedOnce) {
  const QByteArray page = "top [a] one [b] two [a] three [b] end";
  server_.AddPage("/page", page);
  struct Case {
    QString first, from, to;
    bool success;
    QString data;
  };
  const Case cases[] = {
      {"", "", "", true, QString::fromLatin1(page)},  // no ScanFirst: the whole page
      {"top", "[a]", "[b]", true, " one "},
      {"[a]", "[b]", "[a]", true, " two "},           // first occurrences, each after the last
      {"two", "[a]", "end", true, " three [b] "},
      {"[b]", "[a]", "[b]", true, " three "},
      {"top", "[a]", "missing", false, ""},           // ScanTo missing
      {"top", "missing", "[b]", false, ""},
      {"missing", "[a]", "[b]", false, ""},
      {"TOP", "[a]", "[b]", false, ""},               // case-sensitive
      {"top", "", "[b]", false, ""},                  // an empty marker is never found
      {"top", "[a]", "", false, ""},
  };
  for (const Case& c : cases) AddItem("/page", c.first, c.from, c.to);

  wd_->CollectData();

  EXPECT_EQ(server_.RequestCount("/page"), 1) << "the same URL in a row is fetched once";
  QStringList expectedLog;
  for (int i = 0; i < int(std::size(cases)); ++i) {
    SCOPED_TRACE(i);
    const TWebDataItem* item = wd_->Data()->Items(i);
    EXPECT_EQ(item->Success(), cases[i].success);
    EXPECT_EQ(item->Data(), cases[i].data);
    EXPECT_EQ(item->FullPageCode(), QString::fromLatin1(page));
    expectedLog << QStringLiteral("progress %1").arg(i);
    if (cases[i].success) expectedLog << QStringLiteral("data %1 [%2]").arg(i).arg(cases[i].data);
  }
  EXPECT_EQ(log_, expectedLog);
}

TEST_F(WebDataTest, OnlyAChangedUrlIsFetchedAgain) {
  server_.AddPage("/a", "page a");
  server_.AddPage("/b", "page b");
  for (const char* path : {"/a", "/a", "/b", "/a"}) AddItem(path);
  TWebDataItem* disabled = AddItem("/b");
  disabled->SetEnable(false);
  AddItem("/a");  // the disabled item in between does not count

  wd_->CollectData();

  EXPECT_EQ(server_.RequestCount("/a"), 2);
  EXPECT_EQ(server_.RequestCount("/b"), 1);
  const QStringList data = {"page a", "page a", "page b", "page a", "", "page a"};
  for (int i = 0; i < data.size(); ++i) EXPECT_EQ(wd_->Data()->Items(i)->Data(), data[i]) << i;
  EXPECT_FALSE(disabled->Success());
  EXPECT_FALSE(log_.contains(QStringLiteral("progress 4")));
}

TEST_F(WebDataTest, StatusesErrorsAndExecuteResult) {
  server_.AddPage("/ok", "fine");
  server_.AddRoute("/broken", {500, {}, {}, "server trouble"});
  server_.AddRoute("/empty", {200, {}, {}, ""});
  server_.AddRedirect("/moved", "/ok");
  AddItem("/ok");
  AddItem("/broken");        // 500 is examined like a good page
  AddItem("/missing");       // 404
  AddItem(QStringLiteral("http://127.0.0.1:%1/x").arg(LoopbackHttpServer::UnusedPort()));
  AddItem("/empty");         // no byte: not fetched, no error either
  AddItem("/moved");         // redirects are followed
  AddItem(QString());        // no address: cannot be opened

  EXPECT_FALSE(wd_->Execute());

  const bool success[] = {true, true, false, false, false, true, false};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(wd_->Data()->Items(i)->Success(), success[i]) << i;
  EXPECT_EQ(log_, (QStringList{"progress 0", "data 0 [fine]", "progress 1",
                               "data 1 [server trouble]", "error 2 404", "error 3 -1", "progress 5",
                               "data 5 [fine]", "error 6 -1"}));
  EXPECT_EQ(server_.RequestCount("/ok"), 2);

  // Every item, disabled ones included, must succeed.
  wd_->Data()->Clear();
  AddItem("/ok");
  AddItem("/broken");
  EXPECT_TRUE(wd_->Execute());
  wd_->Data()->Items(1)->SetEnable(false);
  EXPECT_FALSE(wd_->Execute());
  EXPECT_TRUE(wd_->Data()->Items(0)->Success());
}

TEST_F(WebDataTest, ImagesAreResolvedAndFilteredByType) {
  server_.AddPage("/site/dir/page.html",
                  "<p><img src=\"pics/a.gif\">"
                  "<IMG alt=\"x\" SRC=\"/root/b.JPG\">"
                  "<img src=\"http://cdn.example/c.png\">"
                  "<img alt=\"no source\"><img src=\"Http://cdn.example/d.GIF?x=1\">"
                  "<img src=\"\\back\\e.png\">"
                  "<img src=noquote.png></p>");
  const QString base = QStringLiteral("HTTP://127.0.0.1:%1").arg(server_.Port());
  struct Case {
    WebData::TImageType type;
    QStringList refs;
  };
  const Case cases[] = {
      {WebData::itAll,
       {base + "/site/dir/pics/a.gif", base + "/root/b.JPG", "http://cdn.example/c.png",
        "Http://cdn.example/d.GIF?x=1", base + "\\back\\e.png"}},
      {WebData::itGIF, {base + "/site/dir/pics/a.gif", "Http://cdn.example/d.GIF?x=1"}},
      {WebData::itJPG, {base + "/root/b.JPG"}},
      {WebData::itPNG, {"http://cdn.example/c.png", base + "\\back\\e.png"}},
  };
  AddItem("/site/dir/page.html");
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.type));
    wd_->SetImageType(c.type);
    wd_->CollectData();
    EXPECT_EQ(ToList(wd_->ImageRefs()), c.refs);
  }
}

TEST_F(WebDataTest, LinksEndAtQuoteOrBracketAndFollowTheFilter) {
  server_.AddPage("/site/dir/page.html",
                  "<a href=\"next.html\">n</a>"
                  "<A HREF=\"/top.html\" class=\"x\">t</A>"
                  "<a href=\"https://other.example/x\">o</a>"
                  "<a href=bare.html>b</a>"
                  "<abbr title=\"t\">no link of its own</abbr><link href=\"style.css\">"
                  "<a href=\"q.html\" title=\"y\">q</a>");
  const QString base = QStringLiteral("HTTP://127.0.0.1:%1").arg(server_.Port());
  const QStringList all = {base + "/site/dir/next.html", base + "/top.html",
                           "https://other.example/x", base + "/site/dir/bare.html",
                           base + "/site/dir/style.css",  // reached through "<ABBR"
                           base + "/site/dir/q.html"};
  struct Case {
    QString filter;
    QStringList links;
  };
  const Case cases[] = {
      {"", all},
      {"DIR/", {all[0], all[3], all[4], all[5]}},
      {"other", {all[2]}},
      {"nothing", {}},
  };
  AddItem("/site/dir/page.html");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.filter.toStdString());
    wd_->SetHyperLinkType(c.filter);
    wd_->CollectData();
    EXPECT_EQ(ToList(wd_->Hyperlinks()), c.links);
  }
}

TEST_F(WebDataTest, CredentialsGoIntoHttpUrls) {
  server_.AddPage("/private", "secret page");
  AddItem("/private");
  wd_->SetProxyUserID(QStringLiteral("user"));
  wd_->SetProxyPassword(QStringLiteral("pass word"));
  wd_->SetAgent(QStringLiteral("FetcherTest"));
  wd_->CollectData();
  wd_->SetProxyUserID(QString());
  wd_->CollectData();

  const auto requests = server_.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].Header("Authorization"),
            "Basic " + QByteArray("user:pass word").toBase64());
  EXPECT_EQ(requests[0].Header("User-Agent"), "FetcherTest");
  EXPECT_TRUE(requests[1].Header("Authorization").isEmpty());
  EXPECT_EQ(wd_->Data()->Items(0)->Data(), QStringLiteral("secret page"));
}

TEST_F(WebDataTest, EveryByteBecomesOneCharacter) {
  QByteArray bytes;
  for (int b = 1; b < 256; ++b) bytes.append(char(b));
  server_.AddPage("/bytes", bytes, "application/octet-stream");
  AddItem("/bytes", QString(QChar(0x7f)), QString(QChar(0x80)), QString(QChar(0xff)));
  wd_->CollectData();

  const QString page = wd_->Data()->Items(0)->FullPageCode();
  ASSERT_EQ(page.size(), 255);
  for (int i = 0; i < page.size(); ++i) ASSERT_EQ(page[i].unicode(), i + 1);
  EXPECT_EQ(wd_->Data()->Items(0)->Data().size(), 0x7e);
  EXPECT_EQ(wd_->Data()->Items(0)->Data().front(), QChar(0x81));
}

TEST_F(WebDataTest, FileModeKeepsOrDeletesTheDownload) {
  server_.AddPage("/one", "first page");
  server_.AddPage("/two", "second page");
  wd_->SetSaveToFile(true);
  TWebDataItem* one = AddItem("/one");
  TWebDataItem* two = AddItem("/two");
  QString fileOfOne;
  wd_->OnProgress = [&](TObject*, int i) {
    if (i == 0) fileOfOne = one->FileName();
    // The first download is gone once the next URL was fetched.
    if (i == 1) {
      EXPECT_FALSE(QFileInfo::exists(fileOfOne));
    }
  };

  wd_->CollectData();
  EXPECT_TRUE(one->Success());
  EXPECT_EQ(two->Data(), QStringLiteral("second page"));
  EXPECT_EQ(QFileInfo(fileOfOne).path() + u'/', TWebData::TempFolder());
  EXPECT_TRUE(QFileInfo(fileOfOne).fileName().startsWith(QLatin1String("WD")));
  EXPECT_NE(one->FileName(), two->FileName());
  EXPECT_TRUE(TempFiles().isEmpty()) << TempFiles().join(u',').toStdString();
  wd_->OnProgress = nullptr;

  // Without AutoDelete the files stay, holding the raw bytes.
  one->SetAutoDelete(false);
  two->SetAutoDelete(false);
  one->SetFileName(temp_.File(QStringLiteral("mine.html")));
  two->SetFileName(QString());
  wd_->CollectData();
  QFile mine(one->FileName());
  ASSERT_TRUE(mine.open(QIODevice::ReadOnly));
  EXPECT_EQ(mine.readAll(), "first page");
  QFile temp(two->FileName());
  ASSERT_TRUE(temp.open(QIODevice::ReadOnly));
  EXPECT_EQ(temp.readAll(), "second page");
  EXPECT_EQ(TempFiles().size(), 2);
}

TEST_F(WebDataTest, MemoryModeCleansUpAndLeavesTheUsersFileAlone) {
  server_.AddPage("/one", "first page");
  TWebDataItem* item = AddItem("/one");
  wd_->CollectData();
  EXPECT_TRUE(item->Success());
  EXPECT_FALSE(item->FileName().isEmpty());
  EXPECT_TRUE(TempFiles().isEmpty()) << "the temporary file is deleted";

  // A file named by the user is never written in memory mode, so it is not
  // the fetcher's to delete.
  const QString mine = temp_.File(QStringLiteral("keep.txt"));
  QFile file(mine);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("user data");
  file.close();
  item->SetFileName(mine);
  wd_->CollectData();
  EXPECT_TRUE(item->Success());
  EXPECT_EQ(TempFiles(), QStringList{"keep.txt"});
}

TEST_F(WebDataTest, ReadLoopProcessesMessagesOnTheMainThread) {
  server_.AddPage("/one", "page");
  AddItem("/one");
  bool ran = false;
  TThread::ForceQueue(nullptr, [&] { ran = true; });
  bool ranBeforeProgress = false;
  wd_->OnProgress = [&](TObject*, int) { ranBeforeProgress = ran; };
  wd_->CollectData();
  EXPECT_TRUE(ranBeforeProgress);
}

TEST_F(WebDataTest, WorkerThreadCollectsAndReportsOnTheMainThread) {
  server_.AddPage("/one", "page one");
  AddItem("/one");
  std::atomic<bool> dataOnWorker{false};
  std::atomic<int> doneCalls{0};
  bool doneOnMain = false;
  wd_->OnData = [&](TObject*, int, const QString& data) {
    dataOnWorker = !TThread::IsMainThread() && data == QLatin1String("page one");
  };
  wd_->OnCollectDone = [&](TObject* sender) {
    EXPECT_EQ(sender, wd_.get());
    doneOnMain = TThread::IsMainThread();
    ++doneCalls;
  };

  wd_->ThreadCollectData();
  QElapsedTimer clock;
  clock.start();
  while (doneCalls == 0 && clock.elapsed() < 10000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  ASSERT_EQ(doneCalls, 1);
  EXPECT_TRUE(doneOnMain);
  EXPECT_TRUE(dataOnWorker);
  EXPECT_TRUE(wd_->Data()->Items(0)->Success());
}

TEST_F(WebDataTest, DestroyingStopsARunningWorker) {
  LoopbackHttpServer::Route slow;
  slow.Body = "late";
  slow.DelayMs = 5000;
  server_.AddRoute("/slow", slow);
  AddItem("/slow");
  std::atomic<int> events{0};
  wd_->OnData = [&](TObject*, int, const QString&) { ++events; };
  wd_->OnCollectDone = [&](TObject*) { ++events; };

  wd_->ThreadCollectData();
  QElapsedTimer clock;
  clock.start();
  while (server_.RequestCount("/slow") == 0 && clock.elapsed() < 5000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  clock.restart();
  wd_.reset();
  EXPECT_LT(clock.elapsed(), 3000) << "the pending request is cancelled";
  for (int i = 0; i < 10; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_EQ(events, 0);
}

TEST(WebDataHelpers, ResolveUrl) {
  struct Case {
    const char* page;
    const char* link;
    const char* result;
  };
  const Case cases[] = {
      {"http://host/dir/page.html", "img/a.gif", "HTTP://host/dir/img/a.gif"},
      {"http://host/dir/page.html", "/root.gif", "HTTP://host/root.gif"},
      {"http://host/dir/page.html", "\\root.gif", "HTTP://host\\root.gif"},
      {"HTTP://host/dir/sub/", "x", "HTTP://host/dir/sub/x"},
      {"http://host", "x", "HTTP://host/x"},
      {"http://host/dir\\page", "x", "HTTP://host/dir\\x"},
      {"http://host/dir/page.html", "http://other/x", "http://other/x"},
      {"http://host/dir/page.html", "see HTTP:later", "see HTTP:later"},
      {"http://host/dir/page.html", "", "HTTP://host/dir/"},
      // Only "HTTP://" counts as a scheme.
      {"https://host/dir/page.html", "/x.png", "https:/x.png"},
      {"https://host/dir/page.html", "x.png", "https://host/dir/x.png"},
      {"https://host/dir/page.html", "https://other/x", "https://host/dir/https://other/x"},
      {"page.html", "x", "page.html/x"},
      {"", "x", "/x"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TWebData::ResolveUrl(c.page, c.link), QString(c.result)) << c.page << " + " << c.link;
}

TEST(WebDataHelpers, AddUrlCredentials) {
  struct Case {
    const char* url;
    const char* user;
    const char* password;
    const char* result;
  };
  const Case cases[] = {
      {"http://host/p", "u", "pw", "http://u:pw@host/p"},
      {"HTTP://host/p", "u", "", "http://u:@host/p"},
      {"http://host/p", "", "pw", "http://host/p"},
      {"https://host/p", "u", "pw", "https://host/p"},
      {"ftp://host/?to=http://x", "u", "pw", "http://u:pw@ost/?to=http://x"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TWebData::AddUrlCredentials(c.url, c.user, c.password), QString(c.result)) << c.url;
}

TEST(WebDataHelpers, PosNoCaseTempFolderAndVersion) {
  struct Case {
    QString sub, s;
    int pos;
  };
  const Case cases[] = {
      {"<img", "ab<IMG", 3}, {"SRC=\"", "x src=\"y", 3}, {"b", "abcb", 2},
      {"", "abc", 0},        {"x", "", 0},              {"abcd", "abc", 0},
      {QStringLiteral("\u00e9T\u00e9"), QStringLiteral("x\u00c9t\u00c9"), 2},
  };
  for (const Case& c : cases) EXPECT_EQ(TWebData::PosNoCase(c.sub, c.s), c.pos) << c.sub.toStdString();

  EXPECT_EQ(WithTrailingBackslash(QStringLiteral("/tmp")), QStringLiteral("/tmp/"));
  EXPECT_EQ(WithTrailingBackslash(QStringLiteral("/tmp/")), QStringLiteral("/tmp/"));
  EXPECT_EQ(WithTrailingBackslash(QString()), QString());
  TempDir temp;
  EnvOverride tmpdir("TMPDIR", temp.Path());
  EXPECT_EQ(TWebData::TempFolder(), temp.Path() + u'/');

  TWebData wd(nullptr);
  EXPECT_EQ(wd.Version(), QStringLiteral("1.4.0.0"));
  wd.SetVersion(QStringLiteral("9.9"));
  EXPECT_EQ(wd.Version(), QStringLiteral("1.4.0.0"));
  EXPECT_EQ(wd.Agent(), QStringLiteral("WebData"));
  EXPECT_EQ(wd.ImageType(), WebData::itAll);
  EXPECT_EQ(wd.Timeout(), 0);
  EXPECT_FALSE(wd.SaveToFile());
}

TEST(WebDataStreaming, ConfiguredComponentRoundTrips) {
  TWebData source(nullptr);
  source.SetName(QStringLiteral("wbdata"));
  source.SetAgent(QStringLiteral("Agent X"));
  source.SetProxy(QStringLiteral("proxy.example:8080"));
  source.SetProxyUserID(QStringLiteral("u"));
  source.SetProxyPassword(QStringLiteral("p"));
  source.SetImageType(WebData::itPNG);
  source.SetHyperLinkType(QStringLiteral("dir"));
  source.SetTimeout(30);
  TWebDataItem* a = source.Data()->Add();
  a->SetURL(QStringLiteral("http://www.tallowfinch.example/files/ckeckver.php?version=x.exe "));
  a->SetTag(7);
  TWebDataItem* b = source.Data()->Add();
  b->SetURL(QStringLiteral("http://host/b"));
  b->SetScanFirst(QStringLiteral("<body>"));
  b->SetScanFrom(QStringLiteral("<p>"));
  b->SetScanTo(QStringLiteral("</p>"));
  b->SetAutoDelete(false);
  b->SetEnable(false);
  b->SetData(QStringLiteral("not published"));

  TBytesStream stream;
  stream.WriteComponent(&source);
  stream.SetPosition(0);
  TWebData target(nullptr);
  target.Data()->Add();  // replaced by the stream's items
  stream.ReadComponent(&target);

  EXPECT_EQ(target.Name(), QStringLiteral("wbdata"));
  for (const TPropInfo* prop : ClassInfo<TWebData>()->PropList()) {
    if (prop->Kind() == tkUString) {
      EXPECT_EQ(prop->GetStr(&target), prop->GetStr(&source)) << prop->Name().toStdString();
    } else if (prop->Kind() == tkInteger || prop->Kind() == tkEnumeration) {
      EXPECT_EQ(prop->GetOrd(&target), prop->GetOrd(&source)) << prop->Name().toStdString();
    }
  }
  EXPECT_EQ(target.ImageType(), WebData::itPNG);
  ASSERT_EQ(target.Data()->Count(), 2);
  for (int i = 0; i < 2; ++i) {
    const TWebDataItem* s = source.Data()->Items(i);
    const TWebDataItem* t = target.Data()->Items(i);
    EXPECT_EQ(t->URL(), s->URL());
    EXPECT_EQ(t->DisplayName(), s->URL());
    EXPECT_EQ(t->ScanFirst(), s->ScanFirst());
    EXPECT_EQ(t->ScanFrom(), s->ScanFrom());
    EXPECT_EQ(t->ScanTo(), s->ScanTo());
    EXPECT_EQ(t->Tag(), s->Tag());
    EXPECT_EQ(t->AutoDelete(), s->AutoDelete());
    EXPECT_EQ(t->Enable(), s->Enable());
  }
  EXPECT_TRUE(target.Data()->Items(1)->Data().isEmpty());

  // Assigning a collection copies its items; the component keeps its own.
  TWebData other(nullptr);
  TWebDataCollection* own = other.Data();
  other.SetData(source.Data());
  EXPECT_EQ(other.Data(), own);
  ASSERT_EQ(own->Count(), 2);
  EXPECT_EQ(own->Items(1)->ScanTo(), QStringLiteral("</p>"));
  EXPECT_EQ(own->Owner(), &other);
}

}  // namespace
