#include "tools/DirectoryServer.h"

#include <QStringList>
#include <QUrl>
#include <QUrlQuery>
#include <array>

namespace tools {

namespace {

using Route = LoopbackHttpServer::Route;

// splitmix64: small, fast and the same on every platform, so a seed always
// gives the same pages.
class Generator {
 public:
  explicit Generator(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int Below(int n) { return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<uint64_t>(n)); }
  bool Chance(int percent) { return Below(100) < percent; }
  template <typename T, size_t N>
  const T& Pick(const std::array<T, N>& items) {
    return items[static_cast<size_t>(Below(static_cast<int>(N)))];
  }

 private:
  uint64_t state_;
};

uint64_t Hash(const QString& text, uint64_t seed) {
  uint64_t h = 1469598103934665603ull ^ seed;  // FNV-1a
  for (const QChar c : text) {
    h ^= c.unicode();
    h *= 1099511628211ull;
  }
  return h;
}

QString HtmlEscape(const QString& text) { return text.toHtmlEscaped(); }

QByteArray HtmlPage(const QString& title, const QString& body, const QByteArray& extraHead = {}) {
  return "<!DOCTYPE html>\n<html lang=\"fr\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
         HtmlEscape(title).toUtf8() + "</title>\n" + extraHead + "</head>\n<body>\n" +
         body.toUtf8() + "\n</body>\n</html>\n";
}

Route HtmlRoute(const QByteArray& body, int status = 200) {
  Route route;
  route.Status = status;
  route.Headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("text/html; charset=utf-8")));
  route.Body = body;
  return route;
}

Route TextRoute(const QByteArray& body, int status = 200) {
  Route route;
  route.Status = status;
  route.Headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("text/plain; charset=utf-8")));
  route.Body = body;
  return route;
}

QString Capitalised(const QString& word) {
  return word.isEmpty() ? word : word.left(1).toUpper() + word.mid(1);
}

// Activities shown for a search; the first is the search's own trade.
QStringList ActivitiesFor(const QString& what) {
  const QString w = what.toLower();
  if (w == QLatin1String("plombier"))
    return {QStringLiteral("Plombier"), QStringLiteral("Plomberie, dépannage"),
            QStringLiteral("Chauffagiste"), QStringLiteral("Salles de bains (installation, équipement)")};
  if (w == QLatin1String("chauffagiste"))
    return {QStringLiteral("Chauffagiste"), QStringLiteral("Climatisation"),
            QStringLiteral("Pompes à chaleur"), QStringLiteral("Chaudières (entretien)")};
  if (w == QLatin1String("restaurant"))
    return {QStringLiteral("Restaurant"), QStringLiteral("Restaurant italien"),
            QStringLiteral("Crêperie"), QStringLiteral("Brasserie & bistrot")};
  return {Capitalised(w.isEmpty() ? QStringLiteral("artisan") : w)};
}

struct Town {
  const char* Zip;  // a "NN" at the end is replaced by a district number
  const char* Name;
  const char* Dial;  // first two digits of its phone numbers
};

constexpr std::array<Town, 10> kOtherTowns = {{
    {"83400", "Hyères", "04"},
    {"94000", "Créteil", "01"},
    {"25000", "Besançon", "03"},
    {"45000", "Orléans", "02"},
    {"30000", "Nîmes", "04"},
    {"93200", "Saint-Denis", "01"},
    {"67400", "Illkirch-Graffenstaden", "03"},
    {"13100", "Aix-en-Provence", "04"},
    {"59800", "Lille", "03"},
    {"35000", "Rennes", "02"},
}};

Town TownFor(const QString& where, Generator& g) {
  const QString w = where.toLower();
  if (w == QLatin1String("paris")) return {"750NN", "Paris", "01"};
  if (w == QLatin1String("lyon")) return {"6900N", "Lyon", "04"};
  if (w == QLatin1String("marseille")) return {"130NN", "Marseille", "04"};
  return g.Pick(kOtherTowns);
}

QString ZipOf(const Town& town, Generator& g) {
  QString zip = QString::fromLatin1(town.Zip);
  if (zip.endsWith(QLatin1String("NN")))
    zip = zip.left(3) + QStringLiteral("%1").arg(1 + g.Below(20), 2, 10, QLatin1Char('0'));
  else if (zip.endsWith(QLatin1Char('N')))
    zip = zip.left(4) + QString::number(1 + g.Below(9));
  return zip;
}

QString PhoneNumber(const QString& dial, Generator& g) {
  QString number = dial;
  for (int i = 0; i < 4; ++i) number += QStringLiteral(" %1").arg(g.Below(100), 2, 10, QLatin1Char('0'));
  return number;
}

constexpr std::array<const char*, 14> kSurnames = {
    "Dupré", "Lefèvre", "Mercier", "Girard", "Faure", "Rousseau", "Chevalier",
    "François", "Bézier", "Lemaître", "Noël", "Garçon", "Œuvray", "Caron"};
constexpr std::array<const char*, 6> kFirstNames = {"Gaël", "Hélène", "Jérôme", "Zoé", "Loïc",
                                                     "Agnès"};
constexpr std::array<const char*, 8> kStreetTypes = {"rue", "avenue", "boulevard", "place",
                                                     "impasse", "allée", "quai", "chemin"};
constexpr std::array<const char*, 10> kStreetNames = {
    "de la Paix", "Victor Hugo", "des Lilas", "du Général de Gaulle", "Émile Zola",
    "Jean Jaurès", "de l'Église", "Saint-Honoré", "des Écoles", "Pasteur"};

QString BusinessName(const QString& activity, Generator& g) {
  const QString surname = QString::fromUtf8(g.Pick(kSurnames));
  const QString other = QString::fromUtf8(g.Pick(kSurnames));
  switch (g.Below(7)) {
    case 0: return activity.section(QLatin1Char(','), 0, 0).section(QLatin1Char(' '), 0, 0) + QLatin1Char(' ') + surname;
    case 1: return QStringLiteral("SARL %1 & Fils").arg(surname);
    case 2: return QStringLiteral("Établissements %1").arg(surname);
    case 3: return QStringLiteral("L'Atelier de %1").arg(QString::fromUtf8(g.Pick(kFirstNames)));
    case 4: return QStringLiteral("%1 & %2").arg(surname, other);
    case 5: return QStringLiteral("%1 %2").arg(QString::fromUtf8(g.Pick(kFirstNames)), surname);
    default: return QStringLiteral("Dépann'Services %1").arg(1 + g.Below(99));
  }
}

QString Street(Generator& g) {
  QString number = QString::number(1 + g.Below(240));
  if (g.Chance(10)) number += QStringLiteral(" bis");
  return QStringLiteral("%1 %2 %3").arg(number, QString::fromUtf8(g.Pick(kStreetTypes)),
                                         QString::fromUtf8(g.Pick(kStreetNames)));
}

QString ListingHtml(const DirectoryListing& l, Generator& g) {
  const QString name = HtmlEscape(l.Name);
  QString html;
  html += QStringLiteral("<li id=\"bi-%1\" class=\"bi bi-generic bi-pro%2\">\n").arg(l.Id, g.Chance(30) ? QStringLiteral(" bi-with-logo") : QString());
  html += QStringLiteral("  <div class=\"bi-content\">\n");
  html += QStringLiteral("    <div class=\"bi-header-title\">\n");
  html += QStringLiteral("      <a class=\"bi-denomination pj-link\" href=\"/pros/%1\" title=\"%2\">\n").arg(l.Id, name);
  html += QStringLiteral("        <h3 class=\"truncate-2-lines\">%1</h3>\n      </a>\n    </div>\n").arg(name);
  html += QStringLiteral("    <div class=\"bi-activity-unit small\">\n      <span class=\"bi-activity\">%1</span>\n    </div>\n").arg(HtmlEscape(l.Activity));
  html += QStringLiteral("    <div class=\"bi-address small\">\n      <a title=\"Voir le plan\" class=\"pj-lb pj-link\" href=\"#\">\n");
  html += QStringLiteral("        %1 %2 %3\n        <span class=\"label-adresse\">Voir le plan</span>\n      </a>\n    </div>\n").arg(HtmlEscape(l.Street), l.Zip, HtmlEscape(l.City));
  html += QStringLiteral("    <div class=\"bi-fantomas\">\n");
  html += QStringLiteral("      <div class=\"number-contact txt_sm\">");
  if (l.MarketingNotice)
    html += QStringLiteral("<span>Tél :</span><span class=\"bi-opposition\">Opposé aux opérations de marketing </span>");
  else
    html += QStringLiteral("<span>Tél : </span>");
  html += QStringLiteral("<span class=\"coord-numero\">%1</span></div>\n").arg(l.Phone);
  if (!l.Mobile.isEmpty())
    html += QStringLiteral("      <div class=\"number-contact txt_sm\">Mobile : <span class=\"coord-numero\">%1</span></div>\n").arg(l.Mobile);
  html += QStringLiteral("    </div>\n  </div>\n</li>\n");
  return html;
}

// The data-pjlb attribute of a coded link, as the page writes it.
QString CodedAddress(const QString& pathAndQuery) {
  return QStringLiteral("{&quot;url&quot;:&quot;%1&quot;,&quot;ucod&quot;:&quot;b64u8&quot;}")
      .arg(QString::fromLatin1(pathAndQuery.toUtf8().toBase64()));
}

// One number line of the present layout: label, number on lines of their own.
QString PresentNumberHtml(const QString& label, const QString& number, const QString& notice,
                          bool hidden) {
  QString html = QStringLiteral("      <div class=\"number-contact txt_sm\"%1>\n")
                     .arg(hidden ? QStringLiteral(" style=\"display: none;\"") : QString());
  html += QStringLiteral("        <span class=\"num-label\">%1</span>%2\n").arg(label, notice);
  html += QStringLiteral("        <span class=\"coord-numero noTrad\">\n          %1\n        </span>\n").arg(number);
  html += QStringLiteral("      </div>\n");
  return html;
}

QString PresentListingHtml(const DirectoryListing& l, Generator& g) {
  const QString name = HtmlEscape(l.Name);
  QString html;
  html += QStringLiteral("<li class=\"bi bi-generic\n    %1\" id=\"bi-bloc-%2\">\n")
              .arg(g.Chance(30) ? QStringLiteral("bi-with-visual") : QStringLiteral("bi-pro"), l.Id);
  html += QStringLiteral("  <span id=\"epj-%1\" class=\"ancre\"></span>\n").arg(l.Id);
  html += QStringLiteral("  <div class=\"bi-header\">\n    <div class=\"bi-header-title\">\n");
  if (l.CodedLink)
    html += QStringLiteral("      <a class=\"bi-denomination pj-lb pj-link\" href=\"#\" data-pjlb=\"%1\" title=\"%2\">\n")
                .arg(CodedAddress(QStringLiteral("/pros/detail?code_etablissement=%1&origine=resultats").arg(l.Id)), name);
  else
    html += QStringLiteral("      <a class=\"bi-denomination pj-link\" href=\"/pros/%1\" title=\"%2\">\n").arg(l.Id, name);
  html += QStringLiteral("        <h3 class=\"truncate-2-lines\">%1</h3>\n      </a>\n    </div>\n").arg(name);
  if (!l.Badge.isEmpty())
    html += QStringLiteral("    <span class=\"bi-activity-badge\">\n      %1\n    </span>\n").arg(HtmlEscape(l.Badge));
  html += QStringLiteral("    <span class=\"bi-activity-unit small\">\n            %1\n        \n</span>\n  </div>\n")
              .arg(HtmlEscape(l.Activity));
  html += QStringLiteral("  <div class=\"bi-content\">\n    <div class=\"bi-address small\">\n");
  html += QStringLiteral("      <a class=\"pj-lb pj-link\" href=\"#\" data-pjlb=\"%1\" title=\"Voir le plan\">\n")
              .arg(CodedAddress(QStringLiteral("/carte?code_etablissement=%1").arg(l.Id)));
  html += QStringLiteral("        %1 %2 <span class=\"matched\">&nbsp;%3</span>\n").arg(HtmlEscape(l.Street), l.Zip, HtmlEscape(l.City));
  html += QStringLiteral("        <span class=\"label-adresse\">Voir le plan</span>\n      </a>\n    </div>\n");
  html += QStringLiteral("    <div class=\"bi-hours small\">\n");
  html += QStringLiteral("      <a class=\"bi-activity-hours pj-lb pj-link\" href=\"#\" data-pjlb=\"%1\" title=\"Voir les horaires\">\n")
              .arg(CodedAddress(QStringLiteral("/pros/detail?code_etablissement=%1#zoneHoraires").arg(l.Id)));
  html += QStringLiteral("        <span class=\"icon icon-horloge\"></span>\n");
  html += QStringLiteral("        <span class=\"value\">Ouvert</span> jusqu'à %1h00\n      </a>\n    </div>\n").arg(17 + g.Below(4));
  html += QStringLiteral("    <div class=\"bi-fantomas\">\n");
  const QString notice = l.MarketingNotice
                             ? QStringLiteral("<span class=\"bi-opposition\">Opposé aux opérations de marketing </span>")
                             : QString();
  html += PresentNumberHtml(QStringLiteral("Tél :"), l.Phone, notice, l.HiddenPhone);
  if (l.HiddenPhone)
    html += QStringLiteral("      <button class=\"btn btn_tel\" type=\"button\">Afficher le N°</button>\n");
  if (!l.Mobile.isEmpty()) html += PresentNumberHtml(QStringLiteral("Mobile :"), l.Mobile, QString(), false);
  if (!l.Fax.isEmpty()) html += PresentNumberHtml(QStringLiteral("Fax :"), l.Fax, QString(), false);
  html += QStringLiteral("    </div>\n  </div>\n</li>\n");
  return html;
}

int PageNumber(const QUrlQuery& query) {
  if (!query.hasQueryItem(QStringLiteral("page"))) return 1;
  bool ok = false;
  const int page = query.queryItemValue(QStringLiteral("page")).toInt(&ok);
  return ok ? page : 0;
}

}  // namespace

DirectoryServer::DirectoryServer(DirectoryServerOptions options)
    : options_(std::move(options)), http_(options_.Lifetime) {
  http_.AddHandler(kResultsPath, [this](const LoopbackHttpServer::Request& r) { return AnswerResults(r); });

  Route csp = HtmlRoute(PageHtml(QStringLiteral("plombier"), QStringLiteral("paris"), 1,
                                 QStringLiteral("Page protégée"),
                                 "<script>document.title = 'inline script ran';</script>\n"));
  csp.Headers.append(qMakePair(QByteArray("Content-Security-Policy"), QByteArray("script-src 'self'; object-src 'none'")));
  http_.AddRoute(kCspPath, csp);
  http_.AddRoute(kLargePath, HtmlRoute(LargePage()));

  const QByteArray date = options_.UpdateDate;
  http_.AddHandler("/files/fdate.php", [date](const LoopbackHttpServer::Request& r) {
    const QUrlQuery query(QString::fromUtf8(r.Query));
    if (query.queryItemValue(QStringLiteral("svyp")) != QLatin1String("FR-PJ"))
      return TextRoute("unknown edition", 404);
    return TextRoute(date);
  });
  http_.AddRoute("/files/ckeckver.php", TextRoute(date));
  http_.AddRoute("/stoppressed.html",
                 HtmlRoute(HtmlPage(QStringLiteral("Capture arrêtée"),
                                    QStringLiteral("<h1>Capture arrêtée</h1>\n<p>La capture a été interrompue à votre demande.</p>"))));
  http_.AddRoute("/welcome2FR.html",
                 HtmlRoute(HtmlPage(QStringLiteral("Bienvenue"),
                                    QStringLiteral("<h1>Bienvenue !</h1>\n<p>Édition France &amp; DOM-TOM.</p>"))));
  http_.AddRoute("/contact.php",
                 HtmlRoute(HtmlPage(QStringLiteral("Contact"),
                                    QStringLiteral("<h1>Contactez-nous</h1>\n<form method=\"post\"><textarea name=\"message\"></textarea></form>"))));
  http_.AddRoute("/download.php",
                 HtmlRoute(HtmlPage(QStringLiteral("Téléchargement"),
                                    QStringLiteral("<h1>Téléchargement</h1>\n<p>Version du %1.</p>").arg(QString::fromLatin1(date)))));
  const QString first = ResultsPath(QStringLiteral("plombier"), QStringLiteral("paris"), 1);
  http_.AddRoute("/", HtmlRoute(HtmlPage(
                          QStringLiteral("Annuaire de démonstration"),
                          QStringLiteral("<h1>Annuaire de démonstration</h1>\n<ul>\n"
                                         "<li><a href=\"%1\">Plombiers à Paris</a></li>\n"
                                         "<li><a href=\"%2\">Page protégée (CSP)</a></li>\n"
                                         "<li><a href=\"%3\">Page de plus de 2 Mo</a></li>\n</ul>")
                              .arg(HtmlEscape(first), QLatin1String(kCspPath), QLatin1String(kLargePath)))));
}

DirectoryServer::~DirectoryServer() { http_.Stop(); }

QString DirectoryServer::ResultsPath(const QString& what, const QString& where, int page) {
  QUrlQuery query;
  query.addQueryItem(QStringLiteral("quoiqui"), what);
  query.addQueryItem(QStringLiteral("ou"), where);
  query.addQueryItem(QStringLiteral("page"), QString::number(page));
  return QLatin1String(kResultsPath) + QLatin1Char('?') + query.toString(QUrl::FullyEncoded);
}

int DirectoryServer::ListingsPerPage() const {
  if (options_.ListingsPerPage > 0) return options_.ListingsPerPage;
  return options_.Layout == DirectoryLayout::Present ? 20 : 21;
}

std::vector<DirectoryListing> DirectoryServer::Listings(const QString& what, const QString& where,
                                                        int page) const {
  std::vector<DirectoryListing> listings;
  if (page < 1 || page > options_.PageCount) return listings;
  const QStringList activities = ActivitiesFor(what);
  const bool present = options_.Layout == DirectoryLayout::Present;
  for (int i = 0; i < ListingsPerPage(); ++i) {
    Generator g(Hash(QStringLiteral("%1|%2|%3|%4").arg(what.toLower(), where.toLower()).arg(page).arg(i),
                     options_.Seed));
    DirectoryListing l;
    l.Id = QStringLiteral("%1").arg(g.Below(100000000), 8, 10, QLatin1Char('0'));
    l.Activity = activities[i % 3 == 0 ? 0 : g.Below(static_cast<int>(activities.size()))];
    l.Name = BusinessName(l.Activity, g);
    const Town town = TownFor(where, g);
    l.Street = Street(g);
    if (g.Chance(25)) l.Street += QLatin1Char(',');
    l.Zip = ZipOf(town, g);
    l.City = QString::fromUtf8(town.Name);
    l.Phone = PhoneNumber(QString::fromLatin1(town.Dial), g);
    l.MarketingNotice = g.Chance(15);
    if (g.Chance(35)) l.Mobile = PhoneNumber(g.Chance(50) ? QStringLiteral("06") : QStringLiteral("07"), g);
    if (present) {
      // Drawn after everything the 2022 layout draws, so that both layouts
      // show the same businesses. Every page has some listings of each kind.
      static const std::array<const char*, 3> kBadges = {"MEILLEURES NOTES", "RÉPONSE RAPIDE", "NOUVEAU"};
      if (g.Chance(30)) l.Fax = PhoneNumber(QString::fromLatin1(town.Dial), g);
      if (i % 6 == 1) l.Badge = QString::fromUtf8(g.Pick(kBadges));
      l.CodedLink = i % 7 == 2;
      l.HiddenPhone = i % 5 == 3;
    }
    listings.push_back(std::move(l));
  }
  return listings;
}

QByteArray DirectoryServer::PageHtml(const QString& what, const QString& where, int page,
                                     const QString& title, const QByteArray& extraHead) const {
  Generator g(Hash(QStringLiteral("layout|%1|%2|%3").arg(what.toLower(), where.toLower()).arg(page),
                   options_.Seed));
  QString body;
  body += QStringLiteral("<div id=\"banner\" style=\"background:%1;height:%2px;margin:0\"></div>\n")
              .arg(QLatin1String(kBannerColour))
              .arg(kBannerHeight);
  body += QStringLiteral("<h1>%1 à %2</h1>\n").arg(HtmlEscape(Capitalised(what)), HtmlEscape(Capitalised(where)));
  body += QStringLiteral("<ul class=\"bi-list\">\n");
  for (const DirectoryListing& l : Listings(what, where, page))
    body += options_.Layout == DirectoryLayout::Present ? PresentListingHtml(l, g) : ListingHtml(l, g);
  body += QStringLiteral("</ul>\n<div class=\"pagination\">\n");
  body += QStringLiteral("  <span id=\"SEL-compteur\">Page %1 / %2</span>\n").arg(page).arg(options_.PageCount);
  if (page < options_.PageCount) {
    const QByteArray next = ResultsPath(what, where, page + 1).toUtf8().toBase64();
    body += QStringLiteral("  <a id=\"pagination-next\" class=\"link_pagination next pj-lb pj-link\" "
                           "data-pjlb=\"{&quot;url&quot;:&quot;%1&quot;,&quot;ucod&quot;:&quot;b64u8&quot;}\" "
                           "href=\"#\" title=\"Page suivante\">Suivant</a>\n")
                .arg(QString::fromLatin1(next));
  }
  body += QStringLiteral("</div>");
  return HtmlPage(title, body, "<style>body{margin:0;font-family:sans-serif}</style>\n" + extraHead);
}

QByteArray DirectoryServer::ResultsPage(const QString& what, const QString& where, int page) const {
  return PageHtml(what, where, page,
                  QStringLiteral("%1 %2 - page %3").arg(Capitalised(what), Capitalised(where)).arg(page), {});
}

QByteArray DirectoryServer::LargePage() const {
  QByteArray page = PageHtml(QStringLiteral("plombier"), QStringLiteral("paris"), 1,
                             QStringLiteral("Très grande page"), {});
  const QByteArray filler =
      "<p class=\"filler\">Ceci est un paragraphe de remplissage : é, è, à, ç, œ &amp; « guillemets ».</p>\n";
  QByteArray padding;
  padding.reserve(options_.LargePageBytes + filler.size());
  while (page.size() + padding.size() < options_.LargePageBytes) padding += filler;
  padding += "<div id=\"end-marker\">fin du document</div>\n";
  page.insert(page.lastIndexOf("</body>"), padding);
  return page;
}

LoopbackHttpServer::Route DirectoryServer::AnswerResults(const LoopbackHttpServer::Request& request) const {
  const QUrlQuery query(QString::fromUtf8(request.Query));
  const QString what = query.queryItemValue(QStringLiteral("quoiqui"), QUrl::FullyDecoded);
  const QString where = query.queryItemValue(QStringLiteral("ou"), QUrl::FullyDecoded);
  const int page = PageNumber(query);
  if (what.isEmpty() || page < 1 || page > options_.PageCount)
    return HtmlRoute(HtmlPage(QStringLiteral("Page introuvable"),
                              QStringLiteral("<h1>Aucun résultat</h1>")),
                     404);
  return HtmlRoute(ResultsPage(what, where, page));
}

}  // namespace tools
