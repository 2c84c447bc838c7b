#include "app/uFrancePJ20MAY2022.h"

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
  // Replaces every occurrence of the current match in fFullEntry with Marker,
  // so that the address and link steps do not read that value again.
  auto mark = [this, &re](const QString& marker) {
    const QString matched = re.MatchedText();
    if (matched.isEmpty()) return;
    QString entry = fFullEntry();
    entry.replace(matched, marker);
    SetfFullEntry(entry);
  };

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

  if (found(ListingLinkPattern())) SetfHTTP(DirectoryRoot() + re.Groups(1));

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
