// The directory imitation, read the way the capture loop reads it: through
// the engine's scripts, the listing parser and the next-page link.

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <set>

#include "app/SiteHosts.h"
#include "app/uFrancePJ20MAY2022.h"
#include "tests/engine/EngineSupport.h"

using namespace enginetest;
using tools::DirectoryServer;

namespace {

struct Answer {
  int Status = 0;
  QByteArray Body;
  QByteArray Header(const QByteArray& name) const { return Headers.value(name.toLower()); }
  QMap<QByteArray, QByteArray> Headers;
};

Answer Fetch(const QString& url) {
  QNetworkAccessManager manager;
  QNetworkReply* reply = manager.get(QNetworkRequest(QUrl(url)));
  PumpUntil([&] { return reply->isFinished(); }, 10000);
  Answer answer;
  answer.Status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  answer.Body = reply->readAll();
  for (const auto& header : reply->rawHeaderPairs()) answer.Headers[header.first.toLower()] = header.second;
  delete reply;
  return answer;
}

// A JSON string result decoded as the capture loop does; "null" for null.
QString Decoded(const QString& json) {
  const QJsonValue value = QJsonDocument::fromJson("[" + json.toUtf8() + "]").array().at(0);
  return value.isString() ? value.toString() : QStringLiteral("null");
}

}  // namespace

TEST(DirectoryServer, PagesAreDeterministicAndVaried) {
  DirectoryServer first({.Seed = 7});
  DirectoryServer same({.Seed = 7});
  DirectoryServer other({.Seed = 8});
  EXPECT_EQ(first.ResultsPage("plombier", "paris", 2), same.ResultsPage("plombier", "paris", 2));
  EXPECT_NE(first.ResultsPage("plombier", "paris", 2), other.ResultsPage("plombier", "paris", 2));
  EXPECT_NE(first.ResultsPage("plombier", "paris", 1), first.ResultsPage("plombier", "paris", 2));

  const auto listings = first.Listings("plombier", "paris", 1);
  ASSERT_EQ(listings.size(), 21u);
  std::set<QString> ids, names, phones;
  bool accents = false, ampersand = false, mobile = false, notice = false;
  for (const auto& l : listings) {
    ids.insert(l.Id);
    names.insert(l.Name);
    phones.insert(l.Phone);
    EXPECT_EQ(l.Id.size(), 8);
    EXPECT_TRUE(l.Zip.startsWith(QLatin1String("750"))) << l.Zip.toStdString();
    EXPECT_EQ(l.City, QStringLiteral("Paris"));
    EXPECT_TRUE(l.Phone.startsWith(QLatin1String("01 ")));
    accents |= (l.Name + l.Street + l.Activity).contains(QRegularExpression(QStringLiteral("[éèàçêôÉœŒë]")));
    ampersand |= l.Name.contains(QLatin1Char('&')) || l.Activity.contains(QLatin1Char('&'));
    mobile |= !l.Mobile.isEmpty();
    notice |= l.MarketingNotice;
  }
  EXPECT_EQ(ids.size(), 21u);
  EXPECT_GT(names.size(), 15u);
  EXPECT_EQ(phones.size(), 21u);
  EXPECT_TRUE(accents && ampersand && mobile && notice);
  EXPECT_TRUE(first.ResultsPage("plombier", "paris", 1).contains("&amp;")) << "names and activities are escaped";
  EXPECT_TRUE(first.Listings("plombier", "paris", 4).empty());
}

TEST(DirectoryServer, AnswersTheMakersEndpoints) {
  DirectoryServer server({.UpdateDate = "20251231"});
  struct Case {
    QString Path;
    int Status;
    QByteArray Contains;
  };
  const Case cases[] = {
      {"/files/fdate.php?svyp=FR-PJ", 200, "20251231"},
      {"/files/fdate.php?svyp=DE-GS", 404, ""},
      {"/files/ckeckver.php?version=setup.exe", 200, "20251231"},
      {"/stoppressed.html", 200, "Capture arrêtée"},
      {"/welcome2FR.html", 200, "Bienvenue"},
      {"/contact.php", 200, "Contactez-nous"},
      {"/download.php", 200, "Version du 20251231"},
      {DirectoryServer::ResultsPath("plombier", "paris", 4), 404, "Aucun résultat"},
      {"/annuaire/chercherlespros?quoiqui=plombier&ou=paris&page=x", 404, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Path.toStdString());
    const Answer answer = Fetch(server.Url(c.Path));
    EXPECT_EQ(answer.Status, c.Status);
    if (c.Status == 200 && c.Contains.startsWith("2025")) EXPECT_EQ(answer.Body, c.Contains);
    else EXPECT_TRUE(answer.Body.contains(c.Contains));
  }
  const Answer csp = Fetch(server.Url(DirectoryServer::kCspPath));
  EXPECT_TRUE(csp.Header("Content-Security-Policy").contains("script-src 'self'"));
  EXPECT_TRUE(csp.Body.contains("<script>"));
  const Answer large = Fetch(server.Url(DirectoryServer::kLargePath));
  EXPECT_GT(large.Body.size(), 2 * 1024 * 1024);
  EXPECT_TRUE(large.Body.contains("id=\"end-marker\""));
  EXPECT_GE(server.Http().RequestCount("/files/fdate.php"), 2);
}

// A run over every result page with the capture loop's scripts: listings
// read through innerText and innerHTML parse into the fields the server put
// there, and the next-page link leads to the next page until the last.
TEST(DirectoryServer, ServesTheCaptureRoad) {
  ViewEngine* engine = SharedView();
  ASSERT_TRUE(engine);
  ICoreWebView2* view = engine->View.get();
  DirectoryServer& server = *engine->Server;
  SetDirectoryRoot(server.Url(QString()));

  QString url = server.ResultsUrl("plombier", "paris", 1);
  int pages = 0;
  while (!url.isEmpty() && pages < 5) {
    ++pages;
    SCOPED_TRACE(url.toStdString());
    ASSERT_TRUE(NavigateAndWait(view, url).IsSuccess);
    const auto expected = server.Listings("plombier", "paris", pages);
    ASSERT_EQ(expected.size(), 21u);
    for (int i = 20; i >= 0; --i) {
      const QString read = QStringLiteral(
          "function myFunction() {return document.querySelectorAll('li[class*=\"bi bi-generic\"]')[%1].%2;} myFunction();");
      const QString html = Decoded(RunScript(view, read.arg(i).arg(QStringLiteral("innerHTML"))));
      const QString text = Decoded(RunScript(view, read.arg(i).arg(QStringLiteral("innerText"))));
      TFrancePJEntry entry(text + html);
      entry.ExecutePagesJaunes();
      const auto& l = expected[size_t(i)];
      EXPECT_EQ(entry.fNameOnly(), l.Name.toHtmlEscaped()) << i;
      EXPECT_EQ(entry.fPhone().trimmed(), l.Phone) << i;
      EXPECT_EQ(entry.fMobile().trimmed(), l.Mobile) << i;
      EXPECT_EQ(entry.fZIP(), l.Zip) << i;
      EXPECT_EQ(entry.fCity().trimmed(), l.City) << i;
      EXPECT_EQ(entry.fActividad(), l.Activity.toHtmlEscaped()) << i;
      EXPECT_EQ(entry.fHTTP(), server.Url("/pros/" + l.Id)) << i;
      EXPECT_TRUE(entry.ResultLine().startsWith("\"" + l.Name + "\",")) << entry.ResultLine().toStdString();
    }
    const QString next = RunScript(view, QStringLiteral(
        "function myFunction() {return document.getElementById(\"pagination-next\").getAttribute(\"data-pjlb\");} myFunction();"));
    url = DecodeNextPageLink(QString(next).remove(QLatin1Char('"')));
    if (pages < 3) EXPECT_EQ(url, server.ResultsUrl("plombier", "paris", pages + 1));
    else EXPECT_EQ(next, QStringLiteral("null")) << "the last page has no next-page link";
  }
  EXPECT_EQ(pages, 3);
}
