#include <gtest/gtest.h>

#include <QFile>

#include "app/SiteHosts.h"
#include "app/uFrancePJ20MAY2022.h"
#include "platform/rtl/TypInfo.h"
#include "tests/support/TestSupport.h"

namespace {

const QString kEmptyLine = QStringLiteral(R"("","","","","","","","","","","","")");

std::unique_ptr<TFrancePJEntry> Parse(const QString& entry) {
  auto e = std::make_unique<TFrancePJEntry>(entry);
  e->ExecutePagesJaunes();
  return e;
}

QString ReadFixture(const QString& name) {
  QFile file(QStringLiteral(TF_APP_FIXTURES_DIR "/") + name);
  if (!file.open(QIODevice::ReadOnly)) {
    ADD_FAILURE() << "cannot read fixture " << name.toStdString();
    return QString();
  }
  return QString::fromUtf8(file.readAll());
}

// The entry text the capture loop builds for one listing: the list item's
// plain text immediately followed by its inner HTML. A fixture keeps the
// whole list item (<name>.html) and the text the browser shows for it
// (<name>.txt).
QString ListingEntry(const QString& name) {
  QString text = ReadFixture(name + ".txt");
  if (text.endsWith(u'\n')) text.chop(1);
  const QString item = ReadFixture(name + ".html");
  EXPECT_TRUE(item.startsWith(QLatin1String("<li "))) << name.toStdString();
  EXPECT_TRUE(item.left(item.indexOf(u'>')).contains(QLatin1String("class=\"bi bi-generic")));
  const qsizetype open = item.indexOf(u'>');
  const qsizetype close = item.lastIndexOf(QLatin1String("</li>"));
  return text + item.mid(open + 1, close - open - 1);
}

// Puts the site addresses back after a test changed them.
class HostsGuard {
 public:
  HostsGuard() : root_(DirectoryRoot()), staticHost_(DirectoryStaticHost()), maker_(MakerRoot()) {}
  ~HostsGuard() {
    SetDirectoryRoot(root_);
    SetDirectoryStaticHost(staticHost_);
    SetMakerRoot(maker_);
  }

 private:
  QString root_, staticHost_, maker_;
};

}  // namespace

// ---------------------------------------------------------------------------
// Whole listings as the directory serves them today.

TEST(ListingParserTest, RealisticListingsGiveTheirResultLines) {
  struct Case {
    const char* fixture;
    QString line;
  };
  const Case cases[] = {
      // Name heading on its own line, activity in its own span, "Voir le plan"
      // directly after the city, number after "Tél : ".
      {"plombier",
       QString::fromUtf8(R"("Plomberie Caron"," 04 94 35 12 80","","16 avenue Edith Cavell ","83400",)"
                         R"(" Hyères ","Plombier","https://www.pagesjaunes.fr/pros/50803883","","","","")")},
      // Heading on the same line as the link (the name keeps the <h3> tag and
      // its quotes, doubled), "&amp;" in the name, a comma before the
      // postcode, the marketing notice between "Tél :" and the number.
      {"restaurant",
       QString::fromUtf8(R"("<h3 class=""truncate-2-lines"">Pasta & Basta","01 42 96 00 11","",)"
                         R"("12 rue de la Paix, ","75002"," Paris ","Restaurant italien",)"
                         R"("https://www.pagesjaunes.fr/pros/08401421","","","","")")},
      // Every field: the second activity span ("class == text" pair) replaces
      // the first, mobile, fax and the logo from the static host.
      {"chauffagiste",
       QString::fromUtf8(R"("Climat'Est Génie Climatique"," 03 88 10 20 30","06 12 34 56 78",)"
                         R"("Zone Artisanale, 8 rue de l'Industrie ","67400"," Illkirch-Graffenstaden ",)"
                         R"("Climatisation","https://www.pagesjaunes.fr/pros/53127788","","03 88 22 33 44","",)"
                         R"("http://static.pagesjaunes.fr/media/logos/climat_est_67.gif")")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fixture);
    auto entry = Parse(ListingEntry(c.fixture));
    EXPECT_EQ(entry->ResultLine(), c.line);
  }
}

// Whole listings as the directory writes its result pages now: a no-break
// space before the city, the activity on a line of its own in its span, a
// badge and an opening-hours link whose classes mention "activity", coded
// name links, the phone block hidden on some listings.
TEST(ListingParserTest, PresentLayoutListingsGiveTheirResultLines) {
  struct Case {
    const char* fixture;
    QString line;
  };
  const Case cases[] = {
      // Plain name link, a one-line badge, comma before the postcode.
      {"present-bistrot",
       QString::fromUtf8(R"("Le Bistrot d'Hélène & Cie"," 01 48 78 12 90","","12 rue Lafayette, ","75009",)"
                         R"(" Paris ","restaurants","https://www.pagesjaunes.fr/pros/05827391","","","","")")},
      // Coded name link, a badge on lines of its own, the marketing notice,
      // mobile and fax.
      {"present-plombier",
       QString::fromUtf8(R"("Dépann'Eau Lefèvre","04 78 61 20 35","06 71 14 02 88","48 bis avenue Jean Jaurès ",)"
                         R"("69007"," Lyon ","plombiers","https://www.pagesjaunes.fr/pros/12036547","",)"
                         R"("04 78 61 20 36","","")")},
      // Hidden phone block, an activity over two lines, a mobile.
      {"present-serrurier",
       QString::fromUtf8(R"("Serrurerie Noël"," 02 38 53 07 71","07 82 40 19 63","3 place de l'Église, ","45000",)"
                         R"(" Orléans ","serruriers, dépannage de portes","https://www.pagesjaunes.fr/pros/69172004",)"
                         R"("","","","")")},
      // Hidden phone block with the notice, coded name link, a fax.
      {"present-coiffeur",
       QString::fromUtf8(R"("L'Atelier de Zoé","04 42 26 93 10","","7 allée des Écoles ","13100",)"
                         R"(" Aix-en-Provence ","coiffeurs","https://www.pagesjaunes.fr/pros/40418853","",)"
                         R"("04 42 26 93 11","","")")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fixture);
    const QString text = ListingEntry(c.fixture);
    // The fixtures hold what the page gives: the no-break space in the
    // plain text, the entity in the markup.
    EXPECT_TRUE(text.left(text.indexOf(u'<')).contains(QChar(0xA0)));
    auto entry = Parse(text);
    EXPECT_EQ(entry->ResultLine(), c.line);
  }
}

TEST(ListingParserTest, ParsingMarksTheValuesItTookInTheEntry) {
  auto entry = Parse(ListingEntry("chauffagiste"));
  const QString full = entry->fFullEntry();
  // The tag-free copy comes first, then the entry as it was given.
  EXPECT_TRUE(full.startsWith(QString::fromUtf8("Climat'Est Génie Climatique\nChauffagiste Climatisation\n<addr>\n"
                                                "<Phone_2>\n<MOBILE>\n<fax>")));
  for (const char* marker : {"<Phone_2>", "<ACTIVITIES>", "<MOBILE>", "<fax>", "<img>", "<addr>"})
    EXPECT_TRUE(full.contains(QLatin1String(marker))) << marker;
  EXPECT_FALSE(full.contains(QLatin1String("Chauffagiste</span>")));
}

// ---------------------------------------------------------------------------
// The parser's steps one by one.

TEST(ListingParserTest, MissingListingGivesTwelveEmptyFields) {
  for (const QString& text : {QStringLiteral("nullnull"), QString()}) {
    auto entry = Parse(text);
    EXPECT_EQ(entry->ResultLine(), kEmptyLine);
    EXPECT_EQ(entry->fNameOnly(), "");
  }
}

TEST(ListingParserTest, PhoneForms) {
  struct Case {
    const char* name;
    QString entry;
    QString phone;
  };
  const Case cases[] = {
      {"blanks after the colon belong to the number", QString::fromUtf8("Tél : 01 23 45 67 89"),
       " 01 23 45 67 89"},
      {"international form", QString::fromUtf8("Tél :+33 (0)1 23 45 67 89"), "+33 "},
      {"notice taken out by the first form",
       QString::fromUtf8("Tél :Opposé aux opérations de marketing 01 23 45 67 89"), "01 23 45 67 89"},
      // The second form wins whenever "Tél :" is directly followed by a blank,
      // even when only that blank is a number character.
      {"second form overrides with the blank",
       QString::fromUtf8("Tél : Opposé aux opérations de marketing 01 23 45 67 89"), " "},
      {"second form takes a later plain number",
       QString::fromUtf8("Tél :Opposé aux opérations de marketing 01 23 45 67 89\nTél : 04 11 22 33 44"),
       " 04 11 22 33 44"},
      {"no number after the label", QString::fromUtf8("Tél :sur demande"), ""},
      {"label written differently", "Tel : 01 23 45 67 89", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto entry = Parse(c.entry);
    EXPECT_EQ(entry->fPhone(), c.phone);
  }
  // The text the first form matched is marked in both copies of the entry.
  auto entry = Parse(QString::fromUtf8("Tél : 01 23 45 67 89"));
  EXPECT_EQ(entry->fFullEntry(), "<Phone_2><Phone_2>");
}

TEST(ListingParserTest, AddressForms) {
  struct Case {
    const char* name;
    QString entry;
    QString street, zip, city;
  };
  const Case cases[] = {
      {"comma and blanks stay with street and city", "12 rue de la Paix, 75001 Paris", "12 rue de la Paix, ",
       "75001", " Paris"},
      {"Voir le plan cut from the city", "12 rue de la Paix 75001 Paris Voir le plan", "12 rue de la Paix ",
       "75001", " Paris "},
      {"Voir le plan glued to the city", "12 rue de la Paix 75001 ParisVoir le plan", "12 rue de la Paix ",
       "75001", " Paris"},
      {"the cut compares the exact case", "1 place Bellecour 69002 Lyon voir le plan", "1 place Bellecour ",
       "69002", " Lyon voir le plan"},
      {"&nbsp; around the postcode", "<p>5 quai Rambaud,&nbsp;69002&nbsp;Lyon</p>", "5 quai Rambaud", "69002",
       "Lyon"},
      {"city ends at a tag", "<a>7 rue Sainte-Catherine 33000 Bordeaux</a>", "7 rue Sainte-Catherine ", "33000",
       " Bordeaux"},
      {"accents, apostrophe and hyphen in the city",
       QString::fromUtf8("3 chemin des Prés 73700 Bourg-Saint-Maurice d'en Haut"), QString::fromUtf8("3 chemin des Prés "),
       "73700", " Bourg-Saint-Maurice d'en Haut"},
      {"caseless city letters", QString::fromUtf8("2 RUE HAUTE 67000 STRASBOURG ÉCOLE"), "2 RUE HAUTE ", "67000",
       QString::fromUtf8(" STRASBOURG ÉCOLE")},
      {"street and postcode on different lines", "12 rue de la Paix\n75001 Paris", "", "", ""},
      {"four digits are no postcode", "12 rue de la Paix 7500 Paris", "", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto entry = Parse(c.entry);
    EXPECT_EQ(entry->fStreet(), c.street);
    EXPECT_EQ(entry->fZIP(), c.zip);
    EXPECT_EQ(entry->fCity(), c.city);
  }
}

TEST(ListingParserTest, NameForms) {
  struct Case {
    const char* name;
    QString entry;
    QString nameOnly;
    QString firstField;
  };
  const Case cases[] = {
      {"heading alone on its line", "<div>\n<h3 class=\"x\">Le Fournil</h3>\n</div>", "Le Fournil",
       "\"Le Fournil\""},
      {"tags before the heading on the same line", "<a href=\"/pros/1\"><h3>Le Fournil</h3></a>",
       "<h3>Le Fournil", "\"<h3>Le Fournil\""},
      {"double quote in the value is doubled", "<a href=\"/pros/1\">\n<h3>Le \"Petit\" Zinc</h3>",
       "Le \"Petit\" Zinc", "\"Le \"\"Petit\"\" Zinc\""},
      {"&quot; decoded, then doubled", "<h3 id=\"n\">Le &quot;Petit&quot; Zinc</h3>",
       "Le &quot;Petit&quot; Zinc", "\"Le \"\"Petit\"\" Zinc\""},
      {"&amp; decoded, &nbsp; kept", "<h3 id=\"n\">Chez&nbsp;Paul &amp; Fils</h3>", "Chez&nbsp;Paul &amp; Fils",
       "\"Chez&nbsp;Paul & Fils\""},
      {"numeric references decoded", "<h3 id=\"n\">Caf&#233; &#128512;</h3>", "Caf&#233; &#128512;",
       QString::fromUtf16(u"\"Caf\u00e9 \U0001F600\"")},
      {"a decoded line break does not break the line", "<h3 id=\"n\">A&#13;&#10;B</h3>", "A&#13;&#10;B",
       "\"AB\""},
      {"no closing heading", "<h3>Le Fournil", "", "\"\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto entry = Parse(c.entry);
    EXPECT_EQ(entry->fNameOnly(), c.nameOnly);
    EXPECT_EQ(entry->ResultLine().left(c.firstField.size() + 1), c.firstField + ",");
    EXPECT_EQ(entry->ResultLine().count(u'\n') + entry->ResultLine().count(u'\r'), 0);
  }
}

TEST(ListingParserTest, ActivityForms) {
  struct Case {
    const char* name;
    QString entry;
    QString activity;
  };
  const Case cases[] = {
      {"activity span", "<span class=\"bi-activity\">Boulanger</span>", "Boulanger"},
      {"class == text pair wins over the span",
       "<span class=\"bi-activity\">Boulanger</span>\n<span class=\"activity-more\">Traiteur</span>", "Traiteur"},
      {"pair over three lines", "<div class=\"activity-label\">\nPrimeur\n</span>", "Primeur"},
      {"pair without activity in its class", "<span class=\"tag\">Fromager</span>", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Parse(c.entry)->fActividad(), c.activity);
  }
}

TEST(ListingParserTest, GetCategoryReadsClassTextPairs) {
  struct Case {
    QString entry;
    QString category;
  };
  const Case cases[] = {
      {"<span class=\"activity-main\">Boulangerie</span>", "Boulangerie"},
      {"<SPAN CLASS=\"ACTIVITY-MAIN\">Pain</SPAN>", "Pain"},
      // "activity" must be followed by something before " == ".
      {"<span class=\"main-activity\">Pain</span>", ""},
      {"<div class=\"activity-x\">\r\nPain\r\n</span>", ""},  // one break character each side at most
      {"<div class=\"activity-x\">\nPain\n</span>", "Pain"},
      {"<span class=\"note\">4,5</span> activity <span class=\"x\">y</span>", "y"},
      {"<span class=\"note\">4,5</span>", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry.toStdString());
    TFrancePJEntry entry(c.entry);
    EXPECT_EQ(entry.GetCategory(), c.category);
    EXPECT_EQ(entry.fFullEntry(), c.entry);
  }
}

TEST(ListingParserTest, MobileFaxImageAndLink) {
  struct Case {
    const char* name;
    QString entry;
    QString mobile, fax, image, http;
  };
  const Case cases[] = {
      {"mobile with span", "Mobile : <span class=\"num\">06 11 22 33 44</span>", "06 11 22 33 44", "", "", ""},
      {"fax with span", "Fax : <span>04 11 22 33 44</span>", "", "04 11 22 33 44", "", ""},
      {"fax after the notice", QString::fromUtf8("Fax : Opposé aux opérations de marketing 04 11 22 33 44"), "",
       "04 11 22 33 44", "", ""},
      {"gif from the static host", "<img src=\"http://static.pagesjaunes.fr/logo/a.gif\">", "", "",
       "http://static.pagesjaunes.fr/logo/a.gif", ""},
      {"other image hosts are ignored", "<img src=\"http://example.fr/logo/a.gif\">", "", "", "", ""},
      {"listing link before quote", "<a href=\"/pros/12345678\">", "", "", "", "https://www.pagesjaunes.fr/pros/12345678"},
      {"listing link before anchor", "<a href=\"/PROS/12345678#avis\">", "", "", "",
       "https://www.pagesjaunes.fr/PROS/12345678"},
      {"link needs the double quote", "<a href='/pros/12345678'>", "", "", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto entry = Parse(c.entry);
    EXPECT_EQ(entry->fMobile(), c.mobile);
    EXPECT_EQ(entry->fFax(), c.fax);
    EXPECT_EQ(entry->fImage(), c.image);
    EXPECT_EQ(entry->fHTTP(), c.http);
  }
}

TEST(ListingParserTest, NoBreakSpacesAreBlanks) {
  const QString nbsp(QChar(0xA0));
  struct Case {
    const char* name;
    QString entry;
    QString phone, street, zip, city;
  };
  const Case cases[] = {
      {"blank and no-break space before the city are one blank", "12 rue Lafayette, 75009 " + nbsp + "Paris", "",
       "12 rue Lafayette, ", "75009", " Paris"},
      {"no-break space alone before the city", "12 rue Lafayette 75009" + nbsp + "Paris", "", "12 rue Lafayette ",
       "75009", " Paris"},
      {"no-break space before the postcode", "12 rue Lafayette," + nbsp + "75009 Paris", "", "12 rue Lafayette, ",
       "75009", " Paris"},
      {"inside the city", "5 quai Rambaud 69002 Lyon" + nbsp + "Confluence", "", "5 quai Rambaud ", "69002",
       " Lyon Confluence"},
      {"after the phone label", QString::fromUtf8("Tél :") + nbsp + "01 23 45 67 89", " 01 23 45 67 89", "", "", ""},
      // The entity is markup: the address pattern has always read it.
      {"the entity stays as it is", "<p>5 quai Rambaud,&nbsp;69002&nbsp;Lyon</p>", "", "5 quai Rambaud", "69002",
       "Lyon"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto entry = Parse(c.entry);
    EXPECT_EQ(entry->fPhone(), c.phone);
    EXPECT_EQ(entry->fStreet(), c.street);
    EXPECT_EQ(entry->fZIP(), c.zip);
    EXPECT_EQ(entry->fCity(), c.city);
    EXPECT_FALSE(entry->ResultLine().contains(QChar(0xA0)));
  }
}

TEST(ListingParserTest, ActivityOfThePresentLayout) {
  const QString unit = "<span class=\"bi-activity-unit small\">\n            restaurants\n        \n</span>";
  const QString hours =
      "<a class=\"bi-activity-hours pj-lb pj-link\" href=\"#\" title=\"Voir les horaires\">\n"
      "        <span class=\"icon icon-horloge\"></span>\n        <span class=\"value\">Ouvert</span>\n</a>";
  struct Case {
    const char* name;
    QString entry;
    QString activity;
  };
  const Case cases[] = {
      {"text on a line of its own", unit, "restaurants"},
      {"not the opening-hours link after it", unit + "\n" + hours, "restaurants"},
      {"not a one-line badge before it",
       "<span class=\"bi-activity-badge\">MEILLEURES NOTES</span>\n" + unit + "\n" + hours, "restaurants"},
      {"not a badge on lines of its own before it",
       "<span class=\"bi-activity-badge\">\n      MEILLEURES NOTES\n    </span>\n" + unit, "restaurants"},
      {"lines and indentation inside become single blanks",
       "<span class=\"bi-activity-unit small\">\n   plomberie,\n\t  chauffage \r\n</span>", "plomberie, chauffage"},
      {"other attributes around the class",
       "<span id=\"a1\" class=\"bi-activity-unit\" data-x=\"1\">\n  fleuristes\n</span>", "fleuristes"},
      {"on one line", "<span class=\"bi-activity-unit\">fleuristes</span>", "fleuristes"},
      // What the steps before found stays when the span has no text, or
      // when the class does not start with bi-activity-unit.
      {"empty span", "<span class=\"bi-activity\">Boulanger</span>\n<span class=\"bi-activity-unit\"></span>",
       "Boulanger"},
      {"class that only holds the name", "<span class=\"x bi-activity-unit\">\n  fleuristes\n</span>",
       "  fleuristes"},
      {"a div of that class (the 2022 layout)",
       "<div class=\"bi-activity-unit small\">\n  <span class=\"bi-activity\">Plombier</span>\n</div>", "Plombier"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Parse(c.entry)->fActividad(), c.activity);
  }
  // Before the span was read the opening-hours link gave a piece of markup.
  TFrancePJEntry entry(unit + "\n" + hours);
  EXPECT_TRUE(entry.GetCategory().contains(QLatin1String("<span class=\"icon icon-horloge\">")));
}

TEST(ListingParserTest, PhoneOfAHiddenPhoneBlock) {
  struct Case {
    const char* name;
    QString entry;
    QString phone;
  };
  const QString label = QString::fromUtf8("<span class=\"num-label\">Tél :</span>");
  const QString number = "\n        <span class=\"coord-numero noTrad\">\n          01 42 96 00 11\n        </span>";
  const QString notice = QString::fromUtf8("<span class=\"bi-opposition\">Opposé aux opérations de marketing </span>");
  const Case cases[] = {
      // The plain text has no "Tél :"; the number takes the form the plain
      // text gives it when the block shows.
      {"label and number on lines of their own", "Afficher le N\u00b0\n" + label + number, " 01 42 96 00 11"},
      {"with the marketing notice", label + notice + number, "01 42 96 00 11"},
      {"international number", label + "\n  <span>\n    +33 1 42 96 00 11\n  </span>", " +33 1 42 96 00 11"},
      {"dotted number", label + "\n  <span>\n    01.42.96.00.11\n  </span>", " 01.42.96.00.11"},
      {"no number after the label", label + "\n  <span>\n    sur demande\n  </span>", ""},
      // A number in the plain text wins; markup is not read then.
      {"plain text first", QString::fromUtf8("Tél : 04 11 22 33 44\n") + label + number, " 04 11 22 33 44"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto entry = Parse(c.entry);
    EXPECT_EQ(entry->fPhone(), c.phone);
  }
  // The number read is marked, so the address does not read it again.
  auto entry = Parse(label + "\n  <span>\n    0175001 23\n  </span>");
  EXPECT_EQ(entry->fPhone(), " 0175001 23");
  EXPECT_EQ(entry->fZIP(), "");
  EXPECT_TRUE(entry->fFullEntry().contains(QLatin1String("<Phone_2>")));
}

TEST(ListingParserTest, ListingLinkFromTheAnchorWhenTheNameLinkIsCoded) {
  const QString coded =
      "<span id=\"epj-12036547\" class=\"ancre\"></span>\n"
      "<a class=\"bi-denomination pj-lb pj-link\" href=\"#\" data-pjlb=\"{&quot;url&quot;:&quot;"
      "L3Byb3MvZGV0YWlsP2NvZGVfZXRhYmxpc3NlbWVudD0xMjAzNjU0NyZvcmlnaW5lPXJlc3VsdGF0cw==&quot;,&quot;ucod&quot;:"
      "&quot;b64u8&quot;}\">\n<h3 class=\"truncate-2-lines\">Dupré</h3>\n</a>";
  struct Case {
    const char* name;
    QString entry;
    QString http;
  };
  const Case cases[] = {
      {"coded name link", coded, "https://www.pagesjaunes.fr/pros/12036547"},
      {"a plain link wins over the anchor",
       "<span id=\"epj-11111111\" class=\"ancre\"></span>\n<a href=\"/pros/22222222\">", "https://www.pagesjaunes.fr/pros/22222222"},
      {"no anchor, no link", "<a href=\"#\" data-pjlb=\"x\"><h3>Dupré</h3></a>", ""},
      {"anchor without digits", "<span id=\"epj-\"></span>", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Parse(c.entry)->fHTTP(), c.http);
  }
}

TEST(ListingParserTest, EmptyResultLine) {
  EXPECT_TRUE(IsEmptyResultLine(kEmptyLine));
  EXPECT_TRUE(IsEmptyResultLine(Parse("nullnull")->ResultLine()));
  EXPECT_FALSE(IsEmptyResultLine(Parse("<h3 id=\"n\">Le Fournil</h3>")->ResultLine()));
  EXPECT_FALSE(IsEmptyResultLine(R"("","","","","","","","","","","",""")"));
  EXPECT_FALSE(IsEmptyResultLine(R"("","","","","","","","","","","")"));
  EXPECT_FALSE(IsEmptyResultLine(QString()));
}

TEST(ListingParserTest, MarkedValuesAreNotReadAgainAsAddress) {
  // Without the marker the phone's "75001 " run would look like a postcode.
  auto entry = Parse(QString::fromUtf8("Tél : 0175001 23 \n"));
  EXPECT_EQ(entry->fPhone(), " 0175001 23 ");
  EXPECT_EQ(entry->fZIP(), "");
}

TEST(ListingParserTest, ListingLinkFieldIsYPlistingFollowedByHttp) {
  TFrancePJEntry entry("<a href=\"/pros/4242\">");
  entry.SetfYPlisting("yp:");
  entry.ExecutePagesJaunes();
  EXPECT_EQ(entry.ResultLine(), R"("","","","","","","","yp:https://www.pagesjaunes.fr/pros/4242","","","","")");
}

TEST(ListingParserTest, SiteAddressesComeFromSiteHosts) {
  HostsGuard guard;
  SetDirectoryRoot("http://127.0.0.1:8080/");
  SetDirectoryStaticHost("127.0.0.1:8081");
  EXPECT_EQ(DirectoryRoot(), "http://127.0.0.1:8080");
  EXPECT_EQ(DirectoryHost(), "127.0.0.1:8080");
  auto entry = Parse("<a href=\"/pros/7\"><img src=\"http://127.0.0.1:8081/i/logo.gif\">");
  EXPECT_EQ(entry->fHTTP(), "http://127.0.0.1:8080/pros/7");
  EXPECT_EQ(entry->fImage(), "http://127.0.0.1:8081/i/logo.gif");
  EXPECT_EQ(DecodeNextPageLink("L3Byb3MvZGV0YWlsP2NvZGU9MTIzNDU2Nzg="), "http://127.0.0.1:8080/pros/detail?code=12345678");
}

// ---------------------------------------------------------------------------
// Text routines of the unit.

TEST(ListingParserTest, StripHtmlTags) {
  struct Case {
    QString text;
    QString expected;
  };
  const Case cases[] = {
      {"<b>bold</b> text", "bold text"},
      {"a<script type=\"text/javascript\">if (a < b) x = '<b>';</script>b", "ab"},
      {"<STYLE>p { color: red }</STYLE>x", "x"},
      {"<style>a</script>b</style>c", "c"},
      {"a<!-- <b>c</b> -->d", "ad"},
      {"a<!--\nline\n-->b", "ab"},
      {"<p\nclass=\"x\">t</p>", "t"},
      {"<br/>x<img src=\"a.png\" />", "x"},
      {"1 < 2 > 0 <3", "1 < 2 > 0 <3"},
      {"<Phone_2> goes too", " goes too"},
      {"no tags", "no tags"},
  };
  for (const Case& c : cases) EXPECT_EQ(StripHtmlTags(c.text), c.expected) << c.text.toStdString();
}

TEST(ListingParserTest, DecodeNextPageLink) {
  struct Case {
    QString text;
    QString expected;
  };
  const QString root = "https://www.pagesjaunes.fr";
  const Case cases[] = {
      // As the capture loop passes it: the attribute text without its quotes.
      {"{url:L2FubnVhaXJlL2NoZXJjaGVybGVzcHJvcz9xdW9pcXVpPXBsb21iaWVyJm91PXBhcmlzLTc1JnBhZ2U9Mg==,ucod:b64u8}",
       root + "/annuaire/chercherlespros?quoiqui=plombier&ou=paris-75&page=2"},
      // With quotes, UTF-8 text and a "/" inside the Base64 run.
      {R"({"url":"L2FubnVhaXJlL2NoZXJjaGVybGVzcHJvcz9xdW9pcXVpPWdhcmFnZSZvdT1wbG/Dq3JtZWwtNTYmcGFnZT0y","ucod":"b64u8"})",
       root + QString::fromUtf8("/annuaire/chercherlespros?quoiqui=garage&ou=ploërmel-56&page=2")},
      // Padding left out.
      {"L3Byb3MvZGV0YWlsP2NvZGVfZXRhYmxpc3NlbWVudD0wODQwMTQyMSZwYWdlPTI",
       root + "/pros/detail?code_etablissement=08401421&page=2"},
      {"null", ""},
      {"", ""},
      {"{url:c2hvcnQ=,ucod:b64u8}", ""},  // shorter than 20 characters
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeNextPageLink(c.text), c.expected) << c.text.toStdString();
}

TEST(ListingParserTest, RemoveLineBreaks) {
  EXPECT_EQ(RemoveLineBreaks("a\r\nb\nc\rd"), "abcd");
  EXPECT_EQ(RemoveLineBreaks(QString::fromUtf16(u"a\u2028b\tc")), QString::fromUtf16(u"a\u2028b\tc"));
  EXPECT_EQ(RemoveLineBreaks(""), "");
}

TEST(ListingParserTest, StripHouseNumber) {
  struct Case {
    QString text;
    QString expected;
  };
  const Case cases[] = {
      {"12  rue de la Paix", "rue de la Paix"},
      {"12\t rue de la Paix", "rue de la Paix"},
      {"12 rue de la Paix", "12 rue de la Paix"},  // needs a second blank
      {QString::fromUtf8("rue sans numéro"), QString::fromUtf8("rue sans numéro")},
      {"Bat 3  rue X\nsuite", "rue X"},
  };
  for (const Case& c : cases) EXPECT_EQ(StripHouseNumber(c.text), c.expected) << c.text.toStdString();
}

// ---------------------------------------------------------------------------
// The other entry operations.

TEST(ListingParserTest, GetAddress) {
  const QString text =
      "T&eacute;l.<span class=\"n\">01 02 03 04 05</span>\nFax<b>01 99 88 77 66</b>\n"
      "Mobile<i>06 10 20 30 40</i>\nhttp://www.pagesjaunes.fr/pros/123456#avis\nsiteweb:http://www.example.fr ";
  {
    TFrancePJEntry entry(text);
    entry.GetAddress();
    EXPECT_EQ(entry.fPhone(), "01 02 03 04 05");
    EXPECT_EQ(entry.fFax(), "01 99 88 77 66");
    EXPECT_EQ(entry.fMobile(), "06 10 20 30 40");
    EXPECT_EQ(entry.fYPlisting(), "http://www.pagesjaunes.fr/pros/123456");
    EXPECT_EQ(entry.fHTTP(), "http://www.example.fr ");
  }
  {
    // A known phone leaves phone, fax and mobile alone.
    TFrancePJEntry entry(text);
    entry.SetfPhone("given");
    entry.GetAddress();
    EXPECT_EQ(entry.fPhone(), "given");
    EXPECT_EQ(entry.fFax(), "");
    EXPECT_EQ(entry.fMobile(), "");
    EXPECT_EQ(entry.fYPlisting(), "http://www.pagesjaunes.fr/pros/123456");
  }
  {
    TFrancePJEntry entry("nothing here");
    entry.GetAddress();
    EXPECT_EQ(entry.fPhone() + entry.fFax() + entry.fMobile() + entry.fYPlisting() + entry.fHTTP(), "");
  }
}

TEST(ListingParserTest, FormatEntryResult) {
  TFrancePJEntry entry("");
  entry.SetfNameOnly("Le Fournil");
  entry.SetfStreet("3 rue Haute");
  entry.SetfZIP("67000");
  entry.SetfCity("Strasbourg");
  entry.SetfProvincia("Bas-Rhin");
  entry.SetfPhone("03 88 00 00 01");
  entry.SetfFax("03 88 00 00 02");
  entry.SetfHTTP("https://www.pagesjaunes.fr/pros/1");
  entry.SetfEmail("contact@fournil.example");
  entry.FormatEntryResult();
  EXPECT_EQ(entry.fFormatEntryResult(),
            "Le Fournil\r\n3 rue Haute\r\n67000 - Strasbourg\r\nBas-Rhin\r\nT: 03 88 00 00 01\r\n"
            "F: 03 88 00 00 02\r\nH: https://www.pagesjaunes.fr/pros/1\r\nE: contact@fournil.example\r\n");

  TKestrelEntry empty("x");
  empty.FormatEntryResult();
  EXPECT_EQ(empty.fFormatEntryResult(), "\r\n\r\n - \r\n\r\nT: \r\nF: \r\nH: \r\nE: \r\n");
  EXPECT_EQ(empty.fFullEntry(), "x");
}

TEST(ListingParserTest, ExecuteVariantsChangeNothing) {
  TFrancePJEntry entry("<h3 id=\"n\">Le Fournil</h3>");
  entry.Execute();
  entry.ExecutePagesBlanches();
  static_cast<TKestrelEntry&>(entry).Execute();
  EXPECT_EQ(entry.fFullEntry(), "<h3 id=\"n\">Le Fournil</h3>");
  EXPECT_EQ(entry.fNameOnly(), "");
  EXPECT_EQ(entry.ResultLine(), "");
  EXPECT_EQ(entry.ClassName(), "TFrancePJEntry");
}

TEST(ListingParserTest, FieldsArePublishedProperties) {
  auto entry = Parse(ListingEntry("chauffagiste"));
  QStringList names;
  for (const TPropInfo* prop : GetPropList(entry.get())) {
    EXPECT_EQ(prop->Kind(), tkUString) << prop->Name().toStdString();
    names << prop->Name();
  }
  EXPECT_EQ(names, (QStringList{"fFullEntry", "fNameOnly", "fFullNameANDAddress", "fStreet", "fZIP", "fCity",
                                "fPhone", "fActividad", "fActiv2", "fFax", "fHTTP", "fEmail", "fProvincia",
                                "fProvince", "fLongitude", "fdescription", "fLatitude", "fYPlisting",
                                "fFormatEntryResult", "fMobile", "fPhone2", "fImage", "fSlogan", "fRegion",
                                "ResultLine", "fInnerText", "fInnerHTML"}));
  EXPECT_EQ(GetStrProp(entry.get(), "fMobile"), "06 12 34 56 78");
  EXPECT_EQ(GetStrProp(entry.get(), "fcity"), " Illkirch-Graffenstaden ");
  SetStrProp(entry.get(), "fNameOnly", "Climat Est");
  EXPECT_EQ(entry->fNameOnly(), "Climat Est");
  EXPECT_FALSE(IsPublishedProp(entry.get(), "fAddress"));
  EXPECT_EQ(GetClass("TFrancePJEntry"), ClassInfo<TFrancePJEntry>());
}
