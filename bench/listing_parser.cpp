// Listing parser throughput: result lines per second over 1,000 listings in
// the directory's present markup (plain text followed by the list item's
// inner HTML, as the capture loop builds them), with varied names, numbers,
// addresses and layouts.

#include <benchmark/benchmark.h>

#include <QString>
#include <QStringList>
#include <random>
#include <vector>

#include "app/uFrancePJ20MAY2022.h"

namespace {

struct Listing {
  QString name, activity, activity2, street, zip, city, phone, mobile, fax, id;
  bool marketingNotice = false;
  bool logo = false;
};

QString Pick(std::mt19937& rng, const QStringList& list) {
  return list.at(std::uniform_int_distribution<qsizetype>(0, list.size() - 1)(rng));
}

QString Digits(std::mt19937& rng, int count) {
  QString s;
  for (int i = 0; i < count; ++i) s += QChar(u'0' + std::uniform_int_distribution<int>(0, 9)(rng));
  return s;
}

QString Number(std::mt19937& rng, const QString& prefix) {
  return prefix + u' ' + Digits(rng, 2) + u' ' + Digits(rng, 2) + u' ' + Digits(rng, 2) + u' ' + Digits(rng, 2);
}

Listing RandomListing(std::mt19937& rng) {
  static const QStringList firstWords = {"Plomberie", "Boulangerie", "Garage", "Cabinet", "Pharmacie", "Atelier",
                                         QString::fromUtf8("Brasserie"), "Salon", "Menuiserie", "Fleurs"};
  static const QStringList secondWords = {"Caron", "du Centre", "Martin & Fils", "des Halles",
                                          QString::fromUtf8("Lefèvre"), "Saint-Michel", "Dupont",
                                          QString::fromUtf8("de l'Étoile"), "Bernard", "du Port"};
  static const QStringList activities = {"Plombier", "Boulangerie", "Garage automobile", "Avocat", "Pharmacie",
                                         QString::fromUtf8("Électricien"), "Restaurant", "Coiffeur",
                                         "Menuisier", "Fleuriste"};
  static const QStringList streets = {"rue de la Paix", "avenue Jean Jaurès", "boulevard Voltaire",
                                      "place de la République", "chemin des Vignes", QString::fromUtf8("quai Saint-Étienne"),
                                      "rue Nationale", "impasse des Lilas", "route de Lyon", "allée des Tilleuls"};
  static const QStringList cities = {"Paris", "Lyon", "Marseille", "Toulouse", "Nantes", "Strasbourg",
                                     QString::fromUtf8("Saint-Étienne"), "Aix-en-Provence", QString::fromUtf8("Orléans"),
                                     "Villeneuve-d'Ascq"};
  Listing l;
  l.name = Pick(rng, firstWords) + u' ' + Pick(rng, secondWords);
  l.activity = Pick(rng, activities);
  if (std::uniform_int_distribution<int>(0, 2)(rng) == 0) l.activity2 = Pick(rng, activities);
  l.street = QString::number(std::uniform_int_distribution<int>(1, 250)(rng)) + u' ' + Pick(rng, streets);
  l.zip = Digits(rng, 5);
  l.city = Pick(rng, cities);
  l.phone = Number(rng, "0" + QString::number(std::uniform_int_distribution<int>(1, 5)(rng)));
  if (std::uniform_int_distribution<int>(0, 1)(rng)) l.mobile = Number(rng, "06");
  if (std::uniform_int_distribution<int>(0, 3)(rng) == 0) l.fax = Number(rng, "04");
  l.id = Digits(rng, 8);
  l.marketingNotice = std::uniform_int_distribution<int>(0, 3)(rng) == 0;
  l.logo = std::uniform_int_distribution<int>(0, 2)(rng) == 0;
  return l;
}

QString HtmlText(QString s) { return s.replace(u'&', QLatin1String("&amp;")); }

// Plain text and inner HTML of one list item, in one of three layouts.
QString Entry(const Listing& l, int layout) {
  const QString notice = QString::fromUtf8("Opposé aux opérations de marketing ");
  QString text = l.name + u'\n' + l.activity + (l.activity2.isEmpty() ? QString() : u' ' + l.activity2) +
                 "\n4,5 (12 avis)\n" + l.street + (layout == 1 ? ", " : " ") + l.zip + u' ' + l.city +
                 " Voir le plan\n" + QString::fromUtf8("Ouvert jusqu'à 19h00\nTél :") +
                 (l.marketingNotice ? notice : QString(" ")) + l.phone;
  if (!l.mobile.isEmpty()) text += "\nMobile : " + l.mobile;
  if (!l.fax.isEmpty()) text += "\nFax : " + l.fax;
  text += u'\n' + l.name +
          QString::fromUtf8(" vous accueille du lundi au samedi. Devis gratuit, intervention rapide sur toute "
                            "l'agglomération, paiement par carte bancaire et chèque accepté.\n"
                            "Devis gratuit\nPaiement CB\nParking\nAccessible PMR\nSur rendez-vous\n"
                            "Site web Itinéraire Afficher le N°");

  QString html = "\n  <div class=\"bi-with-visual\">\n";
  if (l.logo) {
    html += "    <div class=\"bi-visual\">\n      <img class=\"bi-logo\" src=\"http://static.pagesjaunes.fr/media/logos/" +
            l.id + ".gif\" alt=\"Logo\">\n    </div>\n";
  }
  html += "    <div class=\"bi-content\">\n      <div class=\"bi-header-title\">\n";
  if (layout == 1) {
    html += "        <a class=\"bi-denomination pj-link\" href=\"/pros/" + l.id +
            "#zoneHoraires\"><h3 class=\"truncate-2-lines\">" + HtmlText(l.name) + "</h3></a>\n";
  } else {
    html += "        <a class=\"bi-denomination pj-link\" href=\"/pros/" + l.id + "\" title=\"" + HtmlText(l.name) +
            "\">\n          <h3 class=\"truncate-2-lines\">" + HtmlText(l.name) + "</h3>\n        </a>\n";
  }
  html += "      </div>\n      <div class=\"bi-activity-unit small\">\n        <span class=\"bi-activity\">" +
          l.activity + "</span>\n";
  if (!l.activity2.isEmpty()) html += "        <span class=\"bi-activity-more\">" + l.activity2 + "</span>\n";
  html += "      </div>\n      <div class=\"bi-rating\"><span class=\"note_moyenne\">4,5</span> (12 avis)</div>\n";
  html += "      <div class=\"bi-address small\">\n        <a title=\"Voir le plan\" class=\"pj-lb pj-link\" href=\"#\">\n          " +
          l.street + (layout == 1 ? ", " : " ") + l.zip + u' ' + l.city +
          "\n          <span class=\"icon icon-autour-meteo\"></span>\n"
          "          <span class=\"label-adresse\">Voir le plan</span>\n        </a>\n      </div>\n";
  html += "      <div class=\"bi-hours small\"><span class=\"bi-hours-open\">Ouvert</span> jusqu'à 19h00</div>\n";
  html += "      <div class=\"bi-fantomas\">\n";
  html += QString::fromUtf8("        <div class=\"number-contact txt_sm\"><span>Tél :</span>") +
          (l.marketingNotice ? "<span class=\"bi-opposition\">" + notice + "</span>" : QString(" ")) +
          "<span class=\"coord-numero noTrad\">" + l.phone + "</span></div>\n";
  if (!l.mobile.isEmpty())
    html += "        <div class=\"number-contact txt_sm\">Mobile : <span class=\"coord-numero\">" + l.mobile +
            "</span></div>\n";
  if (!l.fax.isEmpty())
    html += "        <div class=\"number-contact txt_sm\">Fax : <span class=\"coord-numero\">" + l.fax +
            "</span></div>\n";
  // The rest of a present-day list item: description, tags, pictures and
  // buttons carrying Base64 payloads.
  html += "      <div class=\"bi-description\">\n        <p class=\"bi-description-text\">" + HtmlText(l.name) +
          QString::fromUtf8(" vous accueille du lundi au samedi. Devis gratuit, intervention rapide sur "
                            "toute l'agglomération, paiement par carte bancaire et chèque accepté.</p>\n") +
          "      </div>\n      <ul class=\"bi-tags-list\">\n";
  for (const char* tag : {"Devis gratuit", "Paiement CB", "Parking", "Accessible PMR", "Sur rendez-vous"})
    html += QString("        <li class=\"bi-tag\"><span class=\"tag-label\">") + tag + "</span></li>\n";
  html += "      </ul>\n      <div class=\"bi-pictures\">\n";
  for (int i = 1; i <= 3; ++i)
    html += "        <img class=\"bi-picture lazy\" data-src=\"https://www.pagesjaunes.fr/media/ugc/" + l.id + "_" +
            QString::number(i) + ".jpeg\" alt=\"Photo " + QString::number(i) + "\" width=\"120\" height=\"90\">\n";
  html += "      </div>\n      <div class=\"bi-ctas\">\n"
          "        <a class=\"bi-website pj-lb pj-link\" href=\"#\" data-pjlb='{\"url\":"
          "\"aHR0cHM6Ly93d3cuZXhhbXBsZS5mci8/dXRtX3NvdXJjZT1wYWdlc2phdW5lcyZ1dG1fbWVkaXVtPWxpc3Rpbmc=\","
          "\"ucod\":\"b64u8\"}' data-pjstats='{\"idTag\":\"LIEN-SITE\",\"genreBloc\":\"BI\",\"pos\":3}'>"
          "Site web</a>\n        <a class=\"bi-itinerary pj-lb pj-link\" href=\"#\" data-pjlb='{\"url\":"
          "\"L2l0aW5lcmFpcmUvYXJyaXZlZT8=\",\"ucod\":\"b64u8\"}'>Itinéraire</a>\n        <button class=\"button btn btn_primary btn_tel\" "
          "data-pjajax='{\"url\":\"/annuaire/ajax/phone_number?id=" + l.id + "\"}'>Afficher le N°</button>\n"
          "      </div>\n    </div>\n  </div>\n";
  return text + html;
}

std::vector<QString> MakeEntries(int count) {
  std::mt19937 rng(20220520);
  std::vector<QString> entries;
  entries.reserve(count);
  for (int i = 0; i < count; ++i) entries.push_back(Entry(RandomListing(rng), i % 3));
  return entries;
}

void BM_ParseListings(benchmark::State& state) {
  const std::vector<QString> entries = MakeEntries(1000);
  // Every generated listing must give a name, a phone, an address and a link;
  // otherwise the benchmark would time the wrong paths.
  for (const QString& text : entries) {
    TFrancePJEntry entry(text);
    entry.ExecutePagesJaunes();
    if (entry.fNameOnly().isEmpty() || entry.fPhone().isEmpty() || entry.fZIP().isEmpty() ||
        entry.fHTTP().isEmpty()) {
      state.SkipWithError("a generated listing did not parse");
      return;
    }
  }
  for (auto _ : state) {
    for (const QString& text : entries) {
      TFrancePJEntry entry(text);
      entry.ExecutePagesJaunes();
      benchmark::DoNotOptimize(entry.ResultLine().size());
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(entries.size()));
  state.counters["listing_chars"] = static_cast<double>(entries.front().size());
}
BENCHMARK(BM_ParseListings)->Unit(benchmark::kMillisecond);

// The "null" text a missing listing gives (a page with fewer than 21).
void BM_ParseMissingListing(benchmark::State& state) {
  for (auto _ : state) {
    TFrancePJEntry entry(QStringLiteral("nullnull"));
    entry.ExecutePagesJaunes();
    benchmark::DoNotOptimize(entry.ResultLine().size());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseMissingListing);

}  // namespace

BENCHMARK_MAIN();
