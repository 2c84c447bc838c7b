#pragma once
// A loopback imitation of the business directory and of the maker's web site,
// for browser tests and for demonstrations without the network.
//
// Result pages (/annuaire/chercherlespros?quoiqui=<what>&ou=<where>&page=<n>)
// carry a configurable number of listings, each a list item whose class holds
// "bi bi-generic" with the name in an h3, the activity in a span whose class
// contains "activity", an address block ending with "Voir le plan", a
// "Tél : .." line and a link to /pros/<8 digits>. Every page but the last has
// a #pagination-next element whose data-pjlb attribute holds
// {"url":"<Base64 of the next page's path and query>","ucod":"b64u8"}.
// Listing texts are French, with accents, "&amp;" entities and varied
// numbers, and depend only on the seed, the search and the page.
//
// Fixed pages: a results page served with a Content-Security-Policy that
// forbids inline scripts (CspPath), a page larger than 2 MB (LargePath), and
// the maker's endpoints: /files/fdate.php?svyp=FR-PJ and /files/ckeckver.php
// answer the update date (yyyymmdd), /stoppressed.html, /welcome2FR.html,
// /contact.php and /download.php answer small pages.
//
// The server listens on 127.0.0.1 only, on a port the system picks, serves
// each connection on its own thread and stops by itself after its lifetime.

#include <QByteArray>
#include <QString>
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "tools/LoopbackHttpServer.h"

namespace tools {

struct DirectoryServerOptions {
  uint32_t Seed = 1;
  int ListingsPerPage = 21;
  int PageCount = 3;
  QByteArray UpdateDate = "20240315";  // answered by the update endpoints
  qsizetype LargePageBytes = 3 * 1024 * 1024;
  std::chrono::milliseconds Lifetime = std::chrono::minutes(30);
};

// One listing as a result page shows it (texts decoded, not HTML).
struct DirectoryListing {
  QString Id;        // 8 digits; the listing link is /pros/<Id>
  QString Name;
  QString Activity;
  QString Street;    // number and street, as shown before the postcode
  QString Zip;
  QString City;
  QString Phone;     // "01 42 96 00 11"
  QString Mobile;    // empty when the listing has none
  bool MarketingNotice = false;  // "Opposé aux opérations de marketing" before the phone
};

class DirectoryServer {
 public:
  static constexpr const char* kResultsPath = "/annuaire/chercherlespros";
  static constexpr const char* kCspPath = "/csp.html";
  static constexpr const char* kLargePath = "/large.html";
  // Colour of the banner band at the top of result pages (a yellow), as
  // #rrggbb; pictures of a page show it in their top rows.
  static constexpr const char* kBannerColour = "#ffd700";
  static constexpr int kBannerHeight = 64;

  explicit DirectoryServer(DirectoryServerOptions options = {});
  ~DirectoryServer();
  DirectoryServer(const DirectoryServer&) = delete;
  DirectoryServer& operator=(const DirectoryServer&) = delete;

  const DirectoryServerOptions& Options() const { return options_; }
  uint16_t Port() const { return http_.Port(); }
  // "http://127.0.0.1:<port>" followed by path.
  QString Url(const QString& path = QStringLiteral("/")) const { return http_.Url(path); }

  // Path and query of result page n (1-based) of a search, as the next-page
  // links encode it.
  static QString ResultsPath(const QString& what, const QString& where, int page);
  QString ResultsUrl(const QString& what, const QString& where, int page) const {
    return Url(ResultsPath(what, where, page));
  }

  // What the server answers, built the same way as over the network.
  std::vector<DirectoryListing> Listings(const QString& what, const QString& where,
                                         int page) const;
  QByteArray ResultsPage(const QString& what, const QString& where, int page) const;
  QByteArray LargePage() const;

  // The underlying server: recorded requests, extra routes.
  LoopbackHttpServer& Http() { return http_; }
  const LoopbackHttpServer& Http() const { return http_; }

  void Stop() { http_.Stop(); }

 private:
  LoopbackHttpServer::Route AnswerResults(const LoopbackHttpServer::Request& request) const;
  QByteArray PageHtml(const QString& what, const QString& where, int page,
                      const QString& title, const QByteArray& extraHead) const;

  DirectoryServerOptions options_;
  LoopbackHttpServer http_;
};

}  // namespace tools
