#include "app/uFrancePJ20MAY2022.h"

#include <QStringList>

#include "app/SiteHosts.h"
#include "platform/rtl/NetEncoding.h"
#include "platform/rtl/PerlRegEx.h"

namespace {

// Patterns of the listing parser. The directory writes its labels in French
// ("Tél :", "Mobile : ", "Fax : ") and sometimes puts the notice "Opposé aux
// opérations de marketing" between a label and its number.
const QString& NamePattern() {
  static const QString p = QStringLiteral(">(.+?)</h3>");
  return p;
}
const QString& PhonePattern() {
  static const QString p = QStringLiteral(u"Tél :(.+opérations de marketing )?([.\\d\\+ ]+)");
  return p;
}
const QString& ActivityPattern() {
  static const QString p = QStringLiteral("<span.+activity.+>(.+?)</span>");
  return p;
}
const QString& MobilePattern() {
  static const QString p = QStringLiteral("Mobile : (<span[^>]+?>)?([.\\d\\+ ]+)");
  return p;
}
const QString& FaxPattern() {
  static const QString p = QStringLiteral(u"Fax : (<span>|.+opérations de marketing )?([.\\d\\+ ]+)");
  return p;
}
const QString& PlainPhonePattern() {
  static const QString p = QStringLiteral(u"Tél :([.\\d\\+ ]+)");
  return p;
}
// Runs caseless and extended: the blanks outside the character class (also
// those of "Voir le plan") are not part of the pattern, so the street keeps a
// comma and blank before the postcode and the city keeps the blank after it.
const QString& AddressPattern() {
  static const QString p = QStringLiteral(
      u"(.+?),?( |&nbsp;|)(\\d\\d\\d\\d\\d)( |&nbsp;)"
      u"([A-Za-z''\" \\-çéàèìòùáíóúýâêîôûãñõäëïöü]+)(<|Voir le plan)?");
  return p;
}
const QString& ListingLinkPattern() {
  static const QString p = QStringLiteral("\"(/pros\\/\\d+)[\"#]");
  return p;
}

// The directory's present result pages. The activity is the text of a span
// whose class starts with "bi-activity-unit", written on lines of its own
// between the tags; other classes holding "activity" (a badge, the opening
// hours link) are not the activity.
const QString& ActivityUnitPattern() {
  static const QString p =
      QStringLiteral("<span(?:\\s[^<>]*)?\\sclass=\"bi-activity-unit[^\"]*\"[^<>]*>([^<]*)</span>");
  return p;
}
// The phone block of a present page may be hidden until the visitor asks for
// the number, so that the plain text has no "Tél :"; the markup still has it,
// with the label, the notice and the number on lines of their own.
const QString& PhoneBlockPattern() {
  static const QString p =
      QStringLiteral(u"Tél :\\s*(.*opérations de marketing\\s*)?([.\\d\\+]+(?: [.\\d\\+]+)*)");
  return p;
}
// Every listing of a present page carries its number on an anchor, also
// those whose name links to a coded address instead of /pros/<number>.
const QString& ListingAnchorPattern() {
  static const QString p = QStringLiteral("id=\"epj-(\\d+)\"");
  return p;
}

// The page writes a no-break space between postcode and city, right after
// an ordinary blank. A no-break space is a blank, and a run of blanks that
// holds one is read as the single blank it stands for.
QString BlanksForNoBreakSpaces(const QString& text) {
  if (!text.contains(QChar(0xA0))) return text;
  TPerlRegEx re;
  re.SetRegEx(QStringLiteral("[ \\x{A0}]*\\x{A0}[ \\x{A0}]*"));
  re.SetReplacement(QStringLiteral(" "));
  re.SetSubject(text);
  re.ReplaceAll();
  return re.Subject();
}

// Text taken from markup without the markup's line breaks and indentation.
QString MarkupText(const QString& text) { return text.simplified(); }

// One field of the result line: entities decoded, quotes doubled so that the
// line stays a valid CSV record, and line breaks a numeric reference may have
// produced removed so that the record stays on one line.
QString ResultField(const QString& value) {
  QString text = RemoveLineBreaks(DecodeHtmlEntities(value));
  text.replace(u'"', QLatin1String("\"\""));
  return u'"' + text + u'"';
}

}  // namespace

TF_PUBLISHED(TFrancePJEntry, TKestrelEntry) {
  using T = TFrancePJEntry;
  return TPublished<T>()
      .String("fMobile", &T::fMobile, &T::SetfMobile)
      .String("fPhone2", &T::fPhone2, &T::SetfPhone2)
      .String("fImage", &T::fImage, &T::SetfImage)
      .String("fSlogan", &T::fSlogan, &T::SetfSlogan)
      .String("fRegion", &T::fRegion, &T::SetfRegion)
      .String("ResultLine", &T::ResultLine, &T::SetResultLine)
      .String("fInnerText", &T::fInnerText, &T::SetfInnerText)
      .String("fInnerHTML", &T::fInnerHTML, &T::SetfInnerHTML);
}

void TFrancePJEntry::Execute() {}

void TFrancePJEntry::ExecutePagesBlanches() {}

void TFrancePJEntry::ExecutePagesJaunes() {
  SetfFullEntry(BlanksForNoBreakSpaces(fFullEntry()));
  // The tag-free text first, so that values found in the listing's plain
  // text are met before the same values inside the markup.
  SetfFullEntry(StripHtmlTags(fFullEntry()) + fFullEntry());
  const QString subject = fFullEntry();

  TPerlRegEx re;
  re.SetSubject(subject);
  auto found = [&re](const QString& pattern) {
    re.SetRegEx(pattern);
    return re.Match();
  };
  // Replaces every occurrence of Text in fFullEntry with Marker, so that the
  // address and link steps do not read that value again.
  auto markText = [this](const QString& text, const QString& marker) {
    if (text.isEmpty()) return;
    QString entry = fFullEntry();
    entry.replace(text, marker);
    SetfFullEntry(entry);
  };
  // The same for the whole current match.
  auto mark = [&re, &markText](const QString& marker) { markText(re.MatchedText(), marker); };

  if (found(NamePattern())) SetfNameOnly(re.Groups(1));

  if (found(PhonePattern())) {
    SetfPhone(re.Groups(2));
    mark(QStringLiteral("<Phone_2>"));
  }

  if (found(ActivityPattern())) {
    SetfActividad(re.Groups(1));
    mark(QStringLiteral("<ACTIVITIES>"));
  }

  const QString category = GetCategory();
  if (!category.isEmpty()) SetfActividad(category);

  // The activity span of the present pages, whose text the two steps above
  // cannot reach across its line breaks.
  if (found(ActivityUnitPattern())) {
    const QString activity = MarkupText(re.Groups(1));
    if (!activity.isEmpty()) SetfActividad(activity);
  }

  if (found(MobilePattern())) {
    SetfMobile(re.Groups(2));
    mark(QStringLiteral("<MOBILE>"));
  }

  if (found(FaxPattern())) {
    SetfFax(re.Groups(2));
    mark(QStringLiteral("<fax>"));
  }

  // A number written directly after "Tél :" wins over the one found above.
  if (found(PlainPhonePattern())) SetfPhone(re.Groups(1));

  // No number after "Tél :" in the plain text: the phone block is hidden, and
  // the number is read in the markup. It takes the form the plain text gives
  // it: after the blank that follows the label, or right after the notice.
  // The number is marked wherever it stands, the markup's copies included.
  if (fPhone().isEmpty() && found(PhoneBlockPattern())) {
    SetfPhone(re.Groups(1).isEmpty() ? u' ' + re.Groups(2) : re.Groups(2));
    markText(re.Groups(2), QStringLiteral("<Phone_2>"));
  }

  // The host is written into the pattern as it is (its dots match any
  // character, which also covers the host itself).
  if (found(QStringLiteral("http://") + DirectoryStaticHost() + QStringLiteral("/(.+).gif"))) {
    SetfImage(re.MatchedText());
    mark(QStringLiteral("<img>"));
  }

  // Address and link read the entry with the markers in place.
  re.SetSubject(fFullEntry());
  re.SetOptions({preCaseLess, preExtended});
  re.SetState({preNotEmpty});
  if (found(AddressPattern())) {
    SetfStreet(re.Groups(1));
    SetfZIP(re.Groups(3));
    QString city = re.Groups(5);
    const qsizetype plan = city.indexOf(QLatin1String("Voir le plan"));
    if (plan >= 0) city.truncate(plan);
    SetfCity(city);
    mark(QStringLiteral("<addr>"));
  }

  if (found(ListingLinkPattern())) {
    SetfHTTP(DirectoryRoot() + re.Groups(1));
  } else if (found(ListingAnchorPattern())) {
    // The name links to a coded address: the listing's number is on its
    // anchor.
    SetfHTTP(DirectoryRoot() + QStringLiteral("/pros/") + re.Groups(1));
  }

  const QString fields[] = {fNameOnly(), fPhone(),      fMobile(), fStreet(), fZIP(),    fCity(),
                            fActividad(), fYPlisting() + fHTTP(), fEmail(), fFax(), QString(), fImage()};
  QString line;
  for (const QString& field : fields) {
    if (!line.isEmpty()) line += u',';
    line += ResultField(field);
  }
  SetResultLine(line);
}

QString TFrancePJEntry::GetCategory() {
  TPerlRegEx re;
  re.SetOptions({preCaseLess, preMultiLine});
  re.SetState({preNotEmpty});
  re.SetSubject(fFullEntry());
  // <tag ... class="name" ...>text</span>  becomes  name == text
  re.SetRegEx(QStringLiteral("(<.+? class=)\"(.+?)\".?>[\\n\\r]?(.+?)[\\n\\r]?</span>"));
  re.SetReplacement(QStringLiteral("\\2 == \\3"));
  re.ReplaceAll();

  re.SetSubject(re.Subject());
  re.SetRegEx(QStringLiteral("activity.+? == (.+)"));
  if (re.Match()) return re.Groups(1);
  return QString();
}

void TFrancePJEntry::GetAddress() {
  TPerlRegEx re;
  re.SetSubject(fFullEntry());
  auto found = [&re](const QString& pattern) {
    re.SetRegEx(pattern);
    return re.Match();
  };
  if (fPhone().isEmpty()) {
    if (found(QStringLiteral("T&eacute;l.<(.+?)>([.\\d\\+ ]+)"))) SetfPhone(re.Groups(2));
    if (found(QStringLiteral("Fax<(.+?)>([.\\d ]+)"))) SetfFax(re.Groups(2));
    if (found(QStringLiteral("bile<(.+?)>([.\\d ]+)"))) SetfMobile(re.Groups(2));
  }
  if (found(QStringLiteral("http://") + DirectoryHost() + QStringLiteral("/pros/(\\d+)")))
    SetfYPlisting(re.MatchedText());
  if (found(QStringLiteral("siteweb:(.+)"))) SetfHTTP(re.Groups(1));
}

bool IsEmptyResultLine(const QString& Line) {
  static const QString empty = [] {
    QStringList fields;
    for (int i = 0; i < 12; ++i) fields << QStringLiteral("\"\"");
    return fields.join(u',');
  }();
  return Line == empty;
}

QString DecodeHtmlEntities(const QString& Text) { return TNetEncoding::HTML().Decode(Text); }

QString StripHtmlTags(const QString& Text) {
  TPerlRegEx re;
  re.SetOptions({preCaseLess, preSingleLine});
  re.SetRegEx(QStringLiteral("<(style|script)[^<>]*>.*?</\\1>|</?[a-z][a-z0-9]*[^<>]*>|<!--.*?-->"));
  re.SetReplacement(QString());
  re.SetSubject(Text);
  re.ReplaceAll();
  return re.Subject();
}

QString DecodeNextPageLink(const QString& Text) {
  // The whole Base64 alphabet with its padding: a run cut at "+" or "/"
  // would decode to a wrong address.
  TPerlRegEx re;
  re.SetRegEx(QStringLiteral("([A-Za-z\\d+/]{20,}={0,2})"));
  re.SetSubject(Text);
  if (!re.Match()) return QString();
  QString base64 = re.Groups(1);
  while (base64.size() % 4 != 0) base64 += u'=';
  const TBytes bytes = TNetEncoding::Base64().DecodeStringToBytes(base64);
  return DirectoryRoot() + QString::fromUtf8(bytes);
}

QString RemoveLineBreaks(const QString& Text) {
  QString result = Text;
  result.remove(u'\r');
  result.remove(u'\n');
  return result;
}

QString StripHouseNumber(const QString& Text) {
  TPerlRegEx re;
  re.SetRegEx(QStringLiteral("\\d+\\s+ (.+)"));
  re.SetSubject(Text);
  if (re.Match()) return re.Groups(1);
  return Text;
}
