#include "foundation/KitMiniHTML.h"

#include <algorithm>
#include <array>
#include <vector>

#include "foundation/KitGraphicsTypes.h"
#include "foundation/KitUtils.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"

namespace {

QChar UpperAscii(QChar c) {
  const char16_t u = c.unicode();
  return (u >= u'a' && u <= u'z') ? QChar(char16_t(u - 32)) : c;
}

// Character of the tag text at Index (0-based) upper-cased, NUL outside.
QChar TagChar(QStringView s, qsizetype Index) {
  return Index >= 0 && Index < s.size() ? UpperAscii(s.at(Index)) : QChar();
}

struct TEntity {
  const char16_t* Name;
  char16_t Char;
};

// The canvas engine's entity table. The first three rows are not consulted.
constexpr TEntity kEntities[] = {
    {u"amp;", u'&'},         {u"lt;", u'<'},          {u"gt;", u'>'},          {u"&quot;", u'"'},
    {u"&nbsp;", u' '},       {u"&eacute;", 0xE9},     {u"&egrave;", 0xE8},     {u"&euml;", 0xEB},
    {u"&ecirc;", 0xEA},      {u"&oacute;", 0xF3},     {u"&ograve;", 0xF2},     {u"&ouml;", 0xF6},
    {u"&ocirc;", 0xF4},      {u"&iacute;", 0xED},     {u"&igrave;", 0xEC},     {u"&iuml;", 0xEF},
    {u"&icirc;", 0xEE},      {u"&uacute;", 0xFA},     {u"&ugrave;", 0xF9},     {u"&uuml;", 0xFC},
    {u"&ucirc;", 0xFB},      {u"&aacute;", 0xE1},     {u"&agrave;", 0xE0},     {u"&auml;", 0xE4},
    {u"&acirc;", 0xE2},      {u"&Eacute;", 0xC9},     {u"&Egrave;", 0xC8},     {u"&Euml;", 0xCB},
    {u"&Ecirc;", 0xCA},      {u"&Oacute;", 0xD3},     {u"&Ograve;", 0xD2},     {u"&Ouml;", 0xD6},
    {u"&Ocirc;", 0xD4},      {u"&Iacute;", 0xCD},     {u"&Igrave;", 0xCC},     {u"&Iuml;", 0xCF},
    {u"&Icirc;", 0xCE},      {u"&Uacute;", 0xDA},     {u"&Ugrave;", 0xD9},     {u"&Uuml;", 0xDC},
    {u"&Ucirc;", 0xDB},      {u"&Aacute;", 0xC1},     {u"&Agrave;", 0xC0},     {u"&Auml;", 0xC4},
    {u"&Acirc;", 0xC2},      {u"&ccedil;", 0xE7},     {u"&Ccedil;", 0xC7},     {u"&oslash;", 0xF8},
    {u"&Oslash;", 0xD8},     {u"&aring;", 0xE5},      {u"&Aring;", 0xC5},      {u"&copy;", 0xA9},
    {u"&reg;", 0xAE},        {u"&euro;", 0x20AC},     {u"&laquo;", 0xAB},      {u"&raquo;", 0xBB},
    {u"&atilde;", 0xE3},     {u"&Atilde;", 0xC3},     {u"&otilde;", 0xF5},     {u"&Otilde;", 0xD5},
    {u"&trade;", 0x2122},    {u"&sect;", 0xA7},       {u"&para;", 0xB6},       {u"&szlig;", 0xDF},
    {u"&pound;", 0xA3},      {u"&dollar;", u'$'},     {u"&permil;", 0x2030},   {u"&#39;", u'\''},
    {u"&yen;", 0xA5},        {u"&curren;", 0xA4},     {u"&cent;", 0xA2},       {u"&plusmn;", 0xB1},
    {u"&iexcl;", 0xA1},      {u"&deg;", 0xB0},        {u"&#x00FD;", 0xFD},     {u"&#221;", 0xDD},
    {u"&frac14;", 0xBC},     {u"&frac12;", 0xBD},     {u"&frac34;", 0xBE},     {u"&AElig;", 0xC6},
    {u"&aelig;", 0xE6},      {u"&Ntilde;", 0xD1},     {u"&ntilde;", 0xF1},     {u"&ETH;", 0xD0},
};
static_assert(std::size(kEntities) == 84);

// Beyond the CSS Color Module Level 3 keywords, markup also knows this one.
constexpr TKitNamedColor kMoreCssColors[] = {{"rebeccapurple", 0x663399}};

// Windows system colours by name; the value is the system-colour index.
constexpr TKitNamedColor kSystemColors[] = {
    {"background", 1},    {"activecaption", 2},   {"inactivecaption", 3},      {"menu", 4},
    {"window", 5},        {"windowframe", 6},     {"menutext", 7},             {"windowtext", 8},
    {"captiontext", 9},   {"activeborder", 10},   {"inactiveborder", 11},      {"appworkspace", 12},
    {"highlight", 13},    {"highlighttext", 14},  {"btnface", 15},             {"btnshadow", 16},
    {"graytext", 17},     {"btntext", 18},        {"inactivecaptiontext", 19}, {"btnhighlight", 20},
    {"3ddkshadow", 21},   {"3dlight", 22},        {"infotext", 23},            {"infobk", 24},
};

struct TColorEntry {
  QString Name;
  TColor Color;
};

// The colour-name table sorted by name (ordinal), built on first use.
const std::vector<TColorEntry>& ColorTable() {
  static const std::vector<TColorEntry> table = [] {
    std::vector<TColorEntry> t;
    auto addCss = [&t](const char* Name, int Rgb) {
      t.push_back({QString::fromLatin1(Name), TColor(((Rgb >> 16) & 0xFF) | (Rgb & 0xFF00) | ((Rgb & 0xFF) << 16))});
    };
    for (const TKitNamedColor& c : CssColorKeywords()) addCss(c.Name, c.Rgb);
    for (const TKitNamedColor& c : kMoreCssColors) addCss(c.Name, c.Rgb);
    for (const auto& c : kSystemColors)
      t.push_back({QString::fromLatin1(c.Name), TColor(0xFF000000u | unsigned(c.Rgb))});
    std::sort(t.begin(), t.end(), [](const TColorEntry& a, const TColorEntry& b) { return a.Name < b.Name; });
    return t;
  }();
  return table;
}

bool IsHex(QChar c) {
  const char16_t u = c.unicode();
  return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
}

}  // namespace

QString MiniHtmlUpperAscii(const QString& s) {
  QString r = s;
  for (auto& c : r) c = UpperAscii(c);
  return r;
}

TMiniHtmlTagInfo ParseMiniHtmlTag(QStringView AText, TMiniHtmlEngine AEngine) {
  TMiniHtmlTagInfo info;
  if (AText.isEmpty() || AText.at(0) != u'<') return info;
  if (AText.size() <= 2) {
    info.Length = int(AText.size());
    info.Text = AText.toString();
    return info;
  }
  const qsizetype close = AText.indexOf(u'>', 1);
  info.Length = int(close < 0 ? AText.size() : close + 1);
  info.Text = AText.left(close < 0 ? AText.size() : close).toString();
  const bool canvas = AEngine == mheCanvas;
  const QChar c1 = TagChar(AText, 1);
  if (c1 == u'/') {
    if (AText.size() <= 3) return info;
    info.Closing = true;
    const QChar c2 = TagChar(AText, 2), c3 = TagChar(AText, 3);
    switch (c2.unicode()) {
      case u'A': info.Tag = mhtA; break;
      case u'B': info.Tag = c3 == u'>' ? mhtB : mhtBlink; break;
      case u'E': info.Tag = mhtE; break;
      case u'F': info.Tag = mhtFont; break;
      case u'H': info.Tag = mhtHI; break;
      case u'I': info.Tag = mhtI; break;
      case u'L': info.Tag = mhtLI; break;
      case u'O':
        if (canvas)
          info.Tag = c3 == u'>' ? mhtNone : mhtOL;
        else
          info.Tag = mhtOF;
        break;
      case u'P': info.Tag = mhtP; break;
      case u'R': info.Tag = canvas ? mhtR : mhtNone; break;
      case u'S':
        if (c3 == u'U')
          info.Tag = mhtSub;  // closes subscript and superscript alike
        else if (c3 == u'H')
          info.Tag = mhtShad;
        else if (canvas && c3 == u'P')
          info.Tag = mhtSpan;
        else
          info.Tag = mhtS;
        break;
      case u'U': info.Tag = c3 == u'>' ? mhtU : mhtUL; break;
      case u'Z': info.Tag = mhtZ; break;
      default: break;
    }
    return info;
  }
  const QChar c2 = TagChar(AText, 2);
  switch (c1.unicode()) {
    case u'A': info.Tag = mhtA; break;
    case u'B':
      if (c2 == u'>') info.Tag = mhtB;
      else if (c2 == u'R') info.Tag = mhtBR;
      else if (c2 == u'L') info.Tag = mhtBlink;
      else if (c2 == u'O') info.Tag = mhtBody;
      break;
    case u'C': info.Tag = mhtControl; break;
    case u'E': info.Tag = mhtE; break;
    case u'F': info.Tag = mhtFont; break;
    case u'H':
      if (c2 == u'I') info.Tag = mhtHI;
      else if (c2 == u'R') info.Tag = mhtHR;
      break;
    case u'I':
      if (c2 == u'>') info.Tag = mhtI;
      else if (c2 == u'M') info.Tag = mhtImg;
      else if (c2 == u'N') info.Tag = mhtInd;
      break;
    case u'J': info.Tag = canvas ? mhtJ : mhtNone; break;
    case u'L': info.Tag = mhtLI; break;
    case u'O':
      if (canvas && c2 == u'L') info.Tag = mhtOL;
      else if (!canvas && c2 == u'F') info.Tag = mhtOF;
      break;
    case u'P': info.Tag = mhtP; break;
    case u'R': info.Tag = mhtR; break;
    case u'S': {
      const QString whole = MiniHtmlUpperAscii(AText.left(info.Length).toString());
      if (whole == u"<SUB>") info.Tag = mhtSub;
      else if (whole == u"<SUP>") info.Tag = mhtSup;
      else if (c2 == u'>') info.Tag = mhtS;
      else if (c2 == u'H') info.Tag = mhtShad;
      else if (canvas && c2 == u'T') info.Tag = mhtStrike;
      else if (canvas && c2 == u'P') info.Tag = mhtSpan;
      break;
    }
    case u'U': info.Tag = c2 == u'>' ? mhtU : mhtUL; break;
    case u'Z': info.Tag = mhtZ; break;
    default: break;
  }
  return info;
}

QString MiniHtmlAttribute(const QString& ATagText, int ANameLength, const QString& AName, bool AUpperValue,
                          bool* AFound) {
  const QString copy = ATagText.mid(std::max(0, ANameLength));
  const QString upper = MiniHtmlUpperAscii(copy);
  const qsizetype at = upper.indexOf(AName);
  if (AFound) *AFound = at >= 0;
  if (at < 0) return QString();
  const qsizetype q1 = upper.indexOf(u'"', at + AName.size());
  if (q1 < 0) return QString();
  qsizetype q2 = upper.indexOf(u'"', q1 + 1);
  if (q2 < 0) q2 = upper.size();
  return (AUpperValue ? upper : copy).mid(q1 + 1, q2 - q1 - 1);
}

int MiniHtmlLeadingNumber(const QString& s) {
  qsizetype i = 0;
  while (i < s.size() && s.at(i) == u' ') ++i;
  qint64 v = 0;
  for (; i < s.size() && s.at(i) >= u'0' && s.at(i) <= u'9'; ++i) {
    v = v * 10 + (s.at(i).unicode() - u'0');
    if (v > MiniHtmlMaxExtent) return MiniHtmlMaxExtent;
  }
  return int(v);
}

int MiniHtmlRotation(const QString& ATagText) {
  const QString upper = MiniHtmlUpperAscii(ATagText);
  const qsizetype a = upper.indexOf(u'A');
  if (a < 0 || a + 2 >= upper.size() || upper.at(a + 2) != u'"') return 0;
  QString value = ATagText.mid(a + 3);
  const qsizetype q = value.indexOf(u'"');
  if (q >= 0) value.truncate(q);
  value = value.trimmed();
  const bool negative = value.startsWith(u'-');
  const int degrees = MiniHtmlLeadingNumber(negative ? value.mid(1) : value) % 360;
  return (negative ? -degrees : degrees) * 10;
}

bool MiniHtmlColorByName(const QString& AName, TColor& AColor) {
  const auto& t = ColorTable();
  auto it = std::lower_bound(t.begin(), t.end(), AName,
                             [](const TColorEntry& e, const QString& n) { return e.Name < n; });
  if (it == t.end() || it->Name != AName) return false;
  AColor = it->Color;
  return true;
}

int MiniHtmlColorNameCount() { return int(ColorTable().size()); }

namespace {

// Hexadecimal value of s[i], s[i + 1]; -1 when either is missing or not a
// hexadecimal digit.
int HexPair(const QString& s, qsizetype i) {
  if (i + 1 >= s.size() || !IsHex(s.at(i)) || !IsHex(s.at(i + 1))) return -1;
  return s.mid(i, 2).toInt(nullptr, 16);
}

TColor FromRgb(int r, int g, int b) { return TColor(r | (g << 8) | (b << 16)); }

}  // namespace

TColor MiniHtmlColor(const QString& AValue, TMiniHtmlEngine AEngine) {
  const QString v = AValue.trimmed();
  const bool canvas = AEngine == mheCanvas;
  if (v.startsWith(u'#')) {
    if (canvas) {
      // Red, green and blue pairs; a pair that is not two hexadecimal digits
      // (or is missing) counts as 0.
      return FromRgb(std::max(0, HexPair(v, 1)), std::max(0, HexPair(v, 3)), std::max(0, HexPair(v, 5)));
    }
    // The facade's reading: four characters are the short form with each
    // digit doubled, anything else two digits per channel. Markup never
    // raises, so a text too short or not hexadecimal is black.
    if (v.size() == 4) {
      int rgb[3];
      for (int i = 0; i < 3; ++i) {
        if (!IsHex(v.at(i + 1))) return 0;
        rgb[i] = QString(2, v.at(i + 1)).toInt(nullptr, 16);
      }
      return FromRgb(rgb[0], rgb[1], rgb[2]);
    }
    const int r = HexPair(v, 1), g = HexPair(v, 3), b = HexPair(v, 5);
    return (r < 0 || g < 0 || b < 0) ? 0 : FromRgb(r, g, b);
  }
  QString name = v.toLower();
  TColor c = 0;
  if (canvas) {
    if (name.startsWith(u"cl")) name.remove(0, 2);
    return MiniHtmlColorByName(name, c) ? c : 0;
  }
  // The facade's colour names: a leading "cl", then "cla", then "gc" is
  // removed, each once and only at the start, before the lookup.
  if (name.startsWith(u"cl")) name.remove(0, 2);
  if (name.startsWith(u"cla")) name.remove(0, 3);
  if (name.startsWith(u"gc")) name.remove(0, 2);
  if (TStringList* list = GetColorList()) {
    const int i = list->IndexOf(name);
    if (i >= 0)
      if (auto* obj = dynamic_cast<TKitGraphicsColorObject*>(list->Objects(i))) return obj->Color();
  }
  return 0;
}

int MiniHtmlFontSize(int ASizeValue, int ACurrent) {
  static constexpr int kSizes[] = {8, 10, 12, 14, 16};
  if (ASizeValue <= 0) return ACurrent;
  if (ASizeValue <= 5) return kSizes[ASizeValue - 1];
  return std::min(ASizeValue, MiniHtmlMaxFontSize);
}

int MiniHtmlFontTagSize(const QString& ATagText, int ACurrent) {
  const QString upper = MiniHtmlUpperAscii(ATagText);
  bool hasStyle = false;
  const QString style = MiniHtmlAttribute(ATagText, 5, QStringLiteral("STYLE"), true, &hasStyle);
  if (hasStyle) {
    const qsizetype fs = style.indexOf(u"FONT-SIZE:");
    if (fs < 0) return ACurrent;
    const QString rest = style.mid(fs + 10);
    const qsizetype pt = rest.indexOf(u"PT");
    if (pt < 0) return ACurrent;
    const int points = MiniHtmlLeadingNumber(rest.left(pt).trimmed());
    return points > 0 ? std::min(points, MiniHtmlMaxFontSize) : ACurrent;
  }
  const qsizetype at = upper.indexOf(u"SIZE", 5);
  if (at < 0) return ACurrent;
  qsizetype eq = upper.indexOf(u'=', at + 4);
  if (eq < 0) return ACurrent;
  QString rest = upper.mid(eq + 1);
  if (rest.startsWith(u'"')) rest.remove(0, 1);
  return MiniHtmlFontSize(MiniHtmlLeadingNumber(rest), ACurrent);
}

int MiniHtmlEntityCount() { return int(std::size(kEntities)); }

QString MiniHtmlEntityName(int Index) {
  if (Index < 0 || Index >= MiniHtmlEntityCount()) throw EListError(Format(RtlConsts::SListIndexError, {Index}));
  return QString::fromUtf16(kEntities[Index].Name);
}

QChar MiniHtmlEntityChar(int Index) {
  if (Index < 0 || Index >= MiniHtmlEntityCount()) throw EListError(Format(RtlConsts::SListIndexError, {Index}));
  return QChar(kEntities[Index].Char);
}

QString MiniHtmlDecodeRun(const QString& ARun, bool ANamed) {
  if (!ARun.contains(u'&')) return ARun;
  QString r = ARun;
  r.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
  r.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
  r.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
  if (ANamed)
    for (int i = 3; i < MiniHtmlEntityCount() && r.contains(u'&'); ++i)
      r.replace(QString::fromUtf16(kEntities[i].Name), QString(QChar(kEntities[i].Char)));
  return r;
}

TMiniHtmlPictureRef ParseMiniHtmlPictureRef(const QString& AValue, TMiniHtmlEngine AEngine) {
  TMiniHtmlPictureRef ref;
  const QString v = AValue;
  const QString upper = MiniHtmlUpperAscii(v);
  if (v.isEmpty()) return ref;
  if (upper.startsWith(u"IDX:")) {
    ref.Kind = mhpImageIndex;
    const QString n = v.mid(4).trimmed();
    bool ok = false;
    const int idx = n.toInt(&ok);
    ref.Index = ok && idx >= 0 ? idx : -1;
    if (ref.Index < 0) ref.Kind = mhpNone;
    return ref;
  }
  const bool canvas = AEngine == mheCanvas;
  if (upper.startsWith(u"SSYS:") || upper.startsWith(u"LSYS:")) {
    if (canvas) {
      ref.Kind = upper.startsWith(u'S') ? mhpSmallSystemIcon : mhpLargeSystemIcon;
      ref.Name = v.mid(5);
    }
    return ref;
  }
  if (!canvas && upper.startsWith(u"DATA:")) {
    const qsizetype b = upper.indexOf(u"BASE64,");
    if (b >= 0) {
      ref.Kind = mhpData;
      ref.Name = v.mid(b + 7);
    }
    return ref;
  }
  if (upper.startsWith(u"FILE://")) {
    ref.Kind = canvas ? mhpURL : mhpFile;
    ref.Name = canvas ? v : v.mid(7);
    return ref;
  }
  if (v.contains(u"://")) {
    if (canvas) {
      ref.Kind = mhpURL;
      ref.Name = v;
    }
    return ref;
  }
  if (!v.contains(u':')) {
    ref.Kind = mhpContainer;
    ref.Name = v;
  }
  return ref;
}

namespace {
// Value of a control attribute: the text between the next two double quotes
// after AName (found without regard to case); to the end when unclosed.
QString ControlAttribute(const QString& ATag, const QString& AUpperTag, const QString& AName, bool& AFound) {
  const qsizetype at = AUpperTag.indexOf(AName);
  AFound = at >= 0;
  if (at < 0) return QString();
  const qsizetype q1 = ATag.indexOf(u'"', at + AName.size());
  if (q1 < 0) return QString();
  qsizetype q2 = ATag.indexOf(u'"', q1 + 1);
  if (q2 < 0) q2 = ATag.size();
  return ATag.mid(q1 + 1, q2 - q1 - 1);
}

// Entities of a control value: the three of the markup and the named ones.
QString DecodeControlValue(const QString& s) {
  if (!s.contains(u'&')) return s;
  QString r = s;
  r.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
  r.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
  r.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
  for (int i = 3; i < MiniHtmlEntityCount() && r.contains(u'&'); ++i)
    r.replace(QString::fromUtf16(kEntities[i].Name), QString(QChar(kEntities[i].Char)));
  r.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
  return r;
}
}  // namespace

TMiniHtmlControl ParseMiniHtmlControl(const QString& ATagText, TMiniHtmlEngine AEngine) {
  TMiniHtmlControl c;
  // The attributes follow "CONTROL" and one more character.
  const QString tag = ATagText.mid(8);
  const QString upper = MiniHtmlUpperAscii(tag);
  bool found = false;
  c.ControlType = MiniHtmlUpperAscii(ControlAttribute(tag, upper, QStringLiteral("TYPE="), found));
  c.ID = ControlAttribute(tag, upper, QStringLiteral("ID="), found);
  const auto decode = [AEngine](const QString& v) {
    return AEngine == mheCanvas ? DecodeControlValue(v) : TKitUtils::UnFixMarkup(v, true, false);
  };
  c.Value = decode(ControlAttribute(tag, upper, QStringLiteral("VALUE="), found));
  c.Width = ControlAttribute(tag, upper, QStringLiteral("WIDTH="), c.HasWidth);
  c.Height = ControlAttribute(tag, upper, QStringLiteral("HEIGHT="), c.HasHeight);
  if (!c.HasHeight) c.Height = QStringLiteral("25");
  c.Prop = decode(ControlAttribute(tag, upper, QStringLiteral("PROP="), c.HasProp));
  c.MaxLen = ControlAttribute(tag, upper, QStringLiteral("MAXLEN="), c.HasMaxLen);
  return c;
}
