#pragma once
// A loopback imitation of the business directory and of the maker's web site,
// for browser tests and for demonstrations without the network.
//
// Result pages (/annuaire/chercherlespros?quoiqui=<what>&ou=<where>&page=<n>)
// come in one of two layouts, chosen per server:
//
// - The 2022 layout: 21 listings a page, each a list item whose class holds
//   "bi bi-generic" with the name in an h3 linked to /pros/<8 digits>, the
//   activity in a span whose class contains "activity", an address block
//   ending with "Voir le plan" and a "Tél : .." line, optionally a mobile.
// - The present layout: 20 listings a page; the listing's class starts with
//   "bi bi-generic" followed by a line break; an anchor span
//   id="epj-<8 digits>" opens every listing; the name links to /pros/<8
//   digits> or, on some listings, to a coded address (href="#" and a
//   data-pjlb attribute holding the Base64 of
//   /pros/detail?code_etablissement=<8 digits>&...); a badge span (class
//   "bi-activity-badge", a label such as "MEILLEURES NOTES") on some; the
//   activity is the text of the span of class "bi-activity-unit small", on
//   a line of its own; the city follows the postcode in
//   <span class="matched">&nbsp;City</span>; an opening-hours link whose
//   class holds "activity"; label, notice and number of the phone on lines
//   of their own, the phone block hidden on some listings (plain text
//   without "Tél :", a button "Afficher le N°" instead); optionally a mobile
//   and a fax.
//
// Every page but the last has a #pagination-next element whose data-pjlb
// attribute holds {"url":"<Base64 of the next page's path and query>",
// "ucod":"b64u8"}. Listing texts are French, with accents, "&amp;" entities
// and varied numbers, and depend only on the seed, the search and the page:
// both layouts show the same businesses.
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

enum class DirectoryLayout {
  Layout2022,  // as the directory wrote its result pages in 2022
  Present,     // as it writes them today
};

struct DirectoryServerOptions {
  uint32_t Seed = 1;
  DirectoryLayout Layout = DirectoryLayout::Layout2022;
  int ListingsPerPage = 0;  // 0: the layout's own count (21 in 2022, 20 today)
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
  // Present layout only (empty or false in the 2022 one):
  QString Fax;               // empty when the listing has none
  QString Badge;             // the badge's label, empty when the listing has none
  bool CodedLink = false;    // the name links to a coded address, not to /pros/<Id>
  bool HiddenPhone = false;  // the phone block is hidden until the visitor asks
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
  // Listings on a full result page (the layout's own count unless the
  // options set one).
  int ListingsPerPage() const;
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
