// Spreadsheet number-format codes. One pass splits the code into sections and
// reads their conditions; the section chosen for the value is then rendered
// token by token: colour prefix, locale and currency brackets, elapsed time,
// other brackets, literals, runs of date-time codes (FormatDateTime) and
// runs of number codes (FormatFloat).

#include "grid/model/KitGridNumberFormat.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QStringList>
#include <cmath>
#include <limits>
#include <memory>

namespace {

const QString kNoSection = QStringLiteral("###################");  // 19 "#"

// The locale settings date and time runs read: a copy taken on first use,
// with AM and PM designators filled in where the locale has none.
const TFormatSettings& DateSettings() {
  static const TFormatSettings settings = [] {
    TFormatSettings s = FormatSettings;
    if (s.TimeAMString.isEmpty()) s.TimeAMString = QStringLiteral("AM");
    if (s.TimePMString.isEmpty()) s.TimePMString = QStringLiteral("PM");
    return s;
  }();
  return settings;
}

bool IsNaN(double v) { return std::isnan(v); }

// A decimal number with the point as separator, optional leading blanks,
// sign and exponent; nothing else.
bool ReadConditionNumber(QStringView text, double& value) {
  qsizetype i = 0;
  while (i < text.size() && text[i] == u' ') ++i;
  const qsizetype start = i;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ++i;
  qsizetype digits = 0;
  while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128) ++i, ++digits;
  if (i < text.size() && text[i] == u'.') {
    ++i;
    while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
    ++i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ++i;
    qsizetype expDigits = 0;
    while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128) ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  if (i != text.size()) return false;
  bool ok = false;
  value = text.mid(start).toString().toDouble(&ok);
  return ok && std::isfinite(value);
}

// Reads a condition from the text after "[" (up to the next "]"); false when
// the bracket is no condition.
bool ReadCondition(QStringView fmt, qsizetype pos, double v, TResultCondition& cond, bool& holds) {
  const qsizetype close = fmt.indexOf(u']', pos);
  if (close < 0 || close - pos < 2) return false;
  const QChar op = fmt[pos];
  if (op != u'=' && op != u'<' && op != u'>') return false;
  QString oper(op);
  qsizetype numStart = pos + 1;
  if (op == u'<' && (fmt[pos + 1] == u'=' || fmt[pos + 1] == u'>')) oper += fmt[pos + 1], ++numStart;
  else if (op == u'>' && fmt[pos + 1] == u'=') oper += fmt[pos + 1], ++numStart;
  double n = 0;
  if (!ReadConditionNumber(fmt.mid(numStart, close - numStart), n)) return false;
  const bool nan = IsNaN(v);
  TResultCondition c;
  c.Assigned = true;
  if (oper == u"=") {
    holds = !nan && v == n;
    c.SupressNeg = true;
  } else if (oper == u"<>") {
    holds = nan || v != n;
    c.SupressNegComp = true;
  } else if (oper == u"<") {
    holds = nan || v < n;
    c.SupressNeg = n <= 0;
    c.SupressNegComp = true;
  } else if (oper == u"<=") {
    holds = nan || v <= n;
    c.SupressNeg = n <= 0;
    c.SupressNegComp = true;
  } else if (oper == u">") {
    holds = nan || v > n;
    c.SupressNegComp = n <= 0;
  } else {  // ">="
    holds = nan || v >= n;
    c.SupressNegComp = n <= 0;
  }
  c.Complement = !holds;
  cond = c;
  return true;
}

bool IsColourName(QStringView name) {
  static const QStringList names{"Black", "Cyan", "Blue", "Green", "Magenta", "Red", "White", "Yellow"};
  for (const QString& n : names)
    if (name == n) return true;
  return false;
}

bool IsLiteralChar(QChar c) {
  switch (c.unicode()) {
    case u' ': case u'!': case u'$': case u'&': case u'\'': case u'(': case u')': case u'<':
    case u'=': case u'>': case u'^': case u'{': case u'}': case u'~': case 0x00B4:
      return true;
    default:
      return false;
  }
}

bool IsDateTimeChar(QChar c) {
  switch (c.toUpper().unicode()) {
    case u'.': case u'/': case u':': case u'A': case u'C': case u'D': case u'H': case u'M':
    case u'N': case u'P': case u'Q': case u'S': case u'T': case u'W': case u'Y': case u'\\':
      return true;
    default:
      return false;
  }
}

bool IsNumberChar(QChar c) {
  switch (c.unicode()) {
    case u' ': case u'"': case u'#': case u'%': case u'*': case u'+': case u',': case u'-':
    case u'.': case u'0': case u'?': case u'E': case u'e': case u'\\':
      return true;
    default:
      return false;
  }
}

// The value's plain text: the general decimal form with up to 15 digits.
QString PlainText(double v, const TFormatSettings& fs) { return FloatToStr(v, fs); }

// Whether the section asks for the 12-hour clock anywhere outside quotes.
bool SectionHasAmPm(QStringView s) {
  for (qsizetype i = 0; i < s.size(); ++i) {
    const QChar c = s[i];
    if (c == u'"') {
      const qsizetype end = s.indexOf(u'"', i + 1);
      if (end < 0) return false;
      i = end;
    } else if (c == u'\\') {
      ++i;
    } else if ((c == u'a' || c == u'A') && (s.mid(i, 5).compare(u"am/pm", Qt::CaseInsensitive) == 0 ||
                                             s.mid(i, 3).compare(u"a/p", Qt::CaseInsensitive) == 0)) {
      return true;
    }
  }
  return false;
}

// Quotes a character for FormatDateTime and FormatFloat so that it prints as
// itself.
QString Quoted(QStringView text) {
  if (text.contains(u'"')) return u'\'' + text.toString() + u'\'';
  return u'"' + text.toString() + u'"';
}

// Renders one section of a number.
class TSectionRenderer {
 public:
  TSectionRenderer(QStringView section, double value, bool suppressNeg, const TFormatSettings& numbers,
                   const TFormatSettings& dates)
      : S(section), V(value), Suppress(suppressNeg), Numbers(numbers), Dates(dates) {
    TwelveHour = SectionHasAmPm(section);
  }

  QString Run() {
    // A colour name as the section's first bracket is passed over.
    if (S.startsWith(u'[')) {
      const qsizetype close = S.indexOf(u']');
      if (close > 0 && IsColourName(S.mid(1, close - 1))) Pos = close + 1;
    }
    QString fraction;
    if (Fraction(S.mid(Pos), fraction)) return fraction;
    while (Pos < S.size()) {
      const qsizetype start = Pos;
      bool tookHours = false;
      LocaleCode();
      ElapsedTime(tookHours);
      OtherBracket();
      Literal();
      DateTimeRun(tookHours);
      NumberRun();
      if (Pos == start) return PlainText(Suppress && V < 0 ? -V : V, Numbers);
    }
    return Out;
  }

 private:
  QChar At(qsizetype i) const { return i < S.size() ? S[i] : QChar(); }

  // A fraction section: an optional whole-number part and blanks, then
  // numerator "/" denominator, each of "#", "0" and "?" (the denominator
  // may be a fixed number): "# ?/?", "# ??/??", "?/8". Denominators have
  // at most four digits. False for any other section.
  bool Fraction(QStringView s, QString& out) const {
    if (!s.contains(u'/')) return false;
    static const QRegularExpression re(QStringLiteral("^([#0?,]*[#0?])?( +)([#0?]+)/([#0?]+|[1-9][0-9]*)$|"
                                                      "^()()([#0?]+)/([#0?]+|[1-9][0-9]*)$"));
    const QRegularExpressionMatch m = re.match(s);
    if (!m.hasMatch()) return false;
    const bool first = m.capturedLength(3) > 0;
    const QString whole = m.captured(first ? 1 : 5), blanks = m.captured(first ? 2 : 6);
    const QString num = m.captured(first ? 3 : 7), den = m.captured(first ? 4 : 8);
    const bool negative = V < 0 && !Suppress;
    double a = std::fabs(V);
    if (!std::isfinite(a) || a >= 1e15) return false;
    double ip = whole.isEmpty() ? 0 : std::floor(a);
    const double frac = a - ip;
    // The closest fraction with a denominator of at most as many digits as
    // the pattern has, or of the fixed denominator.
    long long p = 0, q = 1;
    bool fixed = den[0].isDigit();
    if (fixed) {
      q = den.toLongLong();
      p = std::llround(frac * double(q));
    } else {
      const long long maxDen = std::min<long long>(std::llround(std::pow(10.0, std::min<qsizetype>(den.size(), 4))) - 1, 9999);
      double best = 2;
      for (long long d = 1; d <= maxDen; ++d) {
        const long long n = std::llround(frac * double(d));
        const double err = std::fabs(frac - double(n) / double(d));
        if (err < best - 1e-12) best = err, p = n, q = d;
        if (err == 0) break;
      }
    }
    if (!whole.isEmpty() && p == q && p != 0) ++ip, p = 0;
    auto pad = [](const QString& pattern, const QString& digits, bool left) {
      // "?" pads with blanks, "0" with zeros, "#" not at all.
      QString out = digits;
      for (qsizetype k = digits.size(); k < pattern.size(); ++k) {
        const QChar c = pattern[pattern.size() - 1 - k];
        const QChar fill = c == u'?' ? u' ' : c == u'0' ? u'0' : QChar();
        if (fill.isNull()) continue;
        out = left ? fill + out : out + fill;
      }
      return out;
    };
    QString text;
    if (negative && (ip != 0 || p != 0)) text += u'-';
    if (!whole.isEmpty()) {
      if (ip != 0) text += FormatFloat(whole, ip, Numbers);
      else if (p == 0) text += u'0';
      else text += pad(whole, QString(), true);
      text += blanks;
    }
    if (p == 0 && !whole.isEmpty()) {
      // A whole number: the fraction's place stays blank.
      text += QString(num.size() + 1 + den.size(), u' ');
    } else {
      text += pad(num, QString::number(p), true);
      text += u'/';
      text += fixed ? den : pad(den, QString::number(q), false);
    }
    out = text;
    return true;
  }

  void LocaleCode() {
    if (S.size() - Pos < 4 || S[Pos] != u'[' || S[Pos + 1] != u'$') return;
    qsizetype i = Pos + 2;
    while (i < S.size() && S[i] != u'-' && S[i] != u']') ++i;
    if (i >= S.size()) {
      Pos = S.size();
      return;
    }
    Out += S.mid(Pos + 2, i - Pos - 2);
    if (S[i] == u'-') {
      const qsizetype close = S.indexOf(u']', i);
      Pos = close < 0 ? S.size() : close + 1;
    } else {
      Pos = i + 1;
    }
  }

  void ElapsedTime(bool& tookHours) {
    if (Pos >= S.size() || S[Pos] != u'[') return;
    qsizetype i = Pos + 1;
    const QChar first = At(i).toLower();
    if (first != u'h' && first != u'm' && first != u's') return;
    while (i < S.size() && S[i].toLower() == first) ++i;
    if (At(i) != u']') return;
    const int letters = int(i - Pos - 1);
    // The count is taken from the value rounded to milliseconds (so that
    // 1:00 stored as 0.041666...6 counts one hour), truncated toward zero;
    // it is kept in 64 bits and clamped far beyond any real duration.
    const double ms = std::nearbyint(V * 86400000.0);
    const double unit = first == u'h' ? 3600000.0 : first == u'm' ? 60000.0 : 1000.0;
    double count = std::trunc(ms / unit);
    if (!std::isfinite(count)) count = 0;
    count = std::clamp(count, -1e15, 1e15);
    Out += FormatFloat(QString(letters, u'0'), count, Numbers);
    if (first == u'h') tookHours = true;
    Pos = i + 1;
  }

  void OtherBracket() {
    if (Pos >= S.size() || S[Pos] != u'[') return;
    const qsizetype close = S.indexOf(u']', Pos);
    if (close < 0) return;
    if (At(Pos + 1) == u'$') {
      qsizetype i = Pos + 2;
      while (i < close && S[i] != u'-') ++i;
      Out += S.mid(Pos + 2, i - Pos - 2);
    }
    Pos = close + 1;
  }

  void Literal() {
    if (Pos >= S.size()) return;
    const QChar c = S[Pos];
    if (IsLiteralChar(c)) {
      Out += c;
      ++Pos;
    } else if (c == u'\\' || c == u'*') {
      if (Pos + 1 < S.size()) Out += S[Pos + 1];
      Pos += 2;
    } else if (c == u'_') {
      if (Pos + 1 < S.size()) Out += u' ';
      Pos += 2;
    } else if (c == u'"') {
      qsizetype close = S.indexOf(u'"', Pos + 1);
      if (close < 0) close = S.size();
      Out += S.mid(Pos + 1, close - Pos - 1);
      Pos = close + 1;
    }
    if (Pos > S.size()) Pos = S.size();
  }

  // Whether the "m" run at i is followed, within the run, by seconds: such
  // a run counts minutes ("mm:ss").
  bool SecondsFollow(qsizetype i) const {
    while (i < S.size() && S[i].toLower() == u'm') ++i;
    while (i < S.size() && (S[i] == u':' || S[i] == u'.')) ++i;
    return i < S.size() && S[i].toLower() == u's';
  }

  void DateTimeRun(bool hourMark) {
    if (Pos >= S.size() || !IsDateTimeChar(S[Pos])) return;
    // A run of decimal points alone belongs to the number that follows
    // (".00").
    {
      qsizetype i = Pos;
      while (i < S.size() && S[i] == u'.') ++i;
      if (i > Pos && (i >= S.size() || !IsDateTimeChar(S[i]))) return;
    }
    QString pattern;
    bool hasHour = false, hasAmPm = false;
    qsizetype i = Pos;
    while (i < S.size() && IsDateTimeChar(S[i])) {
      const QChar c = S[i];
      const QChar lc = c.toLower();
      if (c == u'\\') {
        if (i + 1 >= S.size()) {
          ++i;
          break;
        }
        pattern += Quoted(S.mid(i + 1, 1));
        i += 2;
        continue;
      }
      if (lc == u'a' && S.mid(i, 5).compare(u"am/pm", Qt::CaseInsensitive) == 0) {
        pattern += S[i];
        pattern += S[i + 1];
        pattern += QStringLiteral("PM");
        hasAmPm = true;
        i += 5;
        continue;
      }
      if (lc == u'a' && S.mid(i, 3).compare(u"a/p", Qt::CaseInsensitive) == 0) {
        pattern += S.mid(i, 3);
        hasAmPm = true;
        i += 3;
        continue;
      }
      if (lc == u'h') {
        hourMark = true;
        hasHour = true;
        pattern += c;
        ++i;
        continue;
      }
      if (lc == u'm' && (hourMark || SecondsFollow(i))) {
        while (i < S.size() && S[i].toLower() == u'm') pattern += u'n', ++i;
        hourMark = false;
        continue;
      }
      if (lc == u'm') {
        while (i < S.size() && S[i].toLower() == u'm') pattern += c, ++i;
        continue;
      }
      pattern += c;
      ++i;
    }
    Pos = i;
    if (pattern.isEmpty()) return;
    if (!(V >= MinDateTime && V < MaxDateTime + 1)) {
      Out += QStringLiteral("##");
      return;
    }
    try {
      if (TwelveHour && hasHour && !hasAmPm) {
        // The AM/PM marker stands in another run of the section: render this
        // run on the 12-hour clock as well and drop the marker again.
        const QString text = FormatDateTime(pattern + QStringLiteral("\"\x01\"ampm"), V, Dates);
        Out += text.left(text.indexOf(QChar(1)));
      } else {
        Out += FormatDateTime(pattern, V, Dates);
      }
    } catch (const Exception&) {
      Out += QStringLiteral("##");
    }
  }

  void NumberRun() {
    if (Pos >= S.size() || !IsNumberChar(S[Pos]) || S[Pos] == u'"') return;
    double value = V;
    QString pattern;
    QString literal;  // the run's text when it holds no placeholder
    bool placeholders = false;
    qsizetype i = Pos;
    while (i < S.size() && IsNumberChar(S[i])) {
      const QChar c = S[i];
      if (c == u'"') {
        qsizetype close = S.indexOf(u'"', i + 1);
        if (close < 0) close = S.size();
        QString text = S.mid(i + 1, close - i - 1).toString();
        text.remove(u'\\');
        if (!text.isEmpty()) pattern += Quoted(text);
        literal += text;
        i = close + 1;
        continue;
      }
      if (c == u'%') {
        value *= 100;
        pattern += c;
        literal += c;
      } else if (c == u'\\') {
        if (i + 1 < S.size()) pattern += S[i + 1], literal += S[i + 1];
        ++i;
      } else if (c == u'?') {
        pattern += u'#';
        placeholders = true;
      } else if (c == u'*') {
        if (i + 1 < S.size()) pattern += Quoted(S.mid(i + 1, 1)), literal += S[i + 1];
        ++i;
      } else {
        if (c == u'0' || c == u'#') placeholders = true;
        pattern += c;
        literal += c;
      }
      ++i;
    }
    Pos = std::min(i, S.size());
    if (Suppress && value < 0) value = -value;
    if (pattern.isEmpty()) return;
    // A run without placeholders prints its characters as they stand (the
    // comma of "mmmm d, yyyy" included) and no number or sign.
    if (!placeholders) {
      Out += literal;
      return;
    }
    value /= ScaleCommas(pattern);
    QString text = FormatFloat(pattern, value, Numbers);
    // The minus sign leads the section, before any literal text ("-$5").
    if (FirstNumber && !Out.isEmpty() && text.startsWith(u'-')) {
      Out.prepend(u'-');
      text.remove(0, 1);
    }
    FirstNumber = false;
    Out += text;
  }

  // Commas right after the last digit placeholder (or right before the
  // decimal point) divide the value by 1,000 each and are not grouping:
  // "#,##0.0," shows thousands. Removes them from Pattern; answers the
  // divisor.
  static double ScaleCommas(QString& pattern) {
    double divisor = 1;
    QChar quote;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
      const QChar c = pattern[i];
      if (!quote.isNull()) {
        if (c == quote) quote = QChar();
        continue;
      }
      if (c == u'"' || c == u'\'') {
        quote = c;
        continue;
      }
      if (c != u',' || i == 0 || (pattern[i - 1] != u'0' && pattern[i - 1] != u'#')) continue;
      qsizetype end = i;
      while (end < pattern.size() && pattern[end] == u',') ++end;
      const QChar next = end < pattern.size() ? pattern[end] : QChar();
      if (next == u'0' || next == u'#') {
        i = end - 1;
        continue;
      }
      // After the last placeholder of the run, or before the decimal point.
      bool morePlaceholders = false;
      if (next != u'.')
        for (qsizetype k = end; k < pattern.size(); ++k)
          if (pattern[k] == u'0' || pattern[k] == u'#') morePlaceholders = true;
      if (morePlaceholders) {
        i = end - 1;
        continue;
      }
      for (qsizetype k = i; k < end; ++k) divisor *= 1000;
      pattern.remove(i, end - i);
      --i;
    }
    return divisor;
  }

  QStringView S;
  double V;
  bool Suppress;
  const TFormatSettings& Numbers;
  const TFormatSettings& Dates;
  bool TwelveHour = false;
  bool FirstNumber = true;
  qsizetype Pos = 0;
  QString Out;
};

// Renders the text section of a format for a text value.
QString RenderTextSection(QStringView s, const QString& text) {
  qsizetype pos = 0;
  if (s.startsWith(u'[')) {
    const qsizetype close = s.indexOf(u']');
    if (close > 0 && IsColourName(s.mid(1, close - 1))) pos = close + 1;
  }
  QString out;
  while (pos < s.size()) {
    const qsizetype start = pos;
    // Other brackets.
    if (pos < s.size() && s[pos] == u'[') {
      const qsizetype close = s.indexOf(u']', pos);
      if (close >= 0) {
        if (pos + 1 < s.size() && s[pos + 1] == u'$') {
          qsizetype i = pos + 2;
          while (i < close && s[i] != u'-') ++i;
          out += s.mid(pos + 2, i - pos - 2);
        }
        pos = close + 1;
      }
    }
    // Literals.
    if (pos < s.size()) {
      const QChar c = s[pos];
      if (IsLiteralChar(c)) {
        out += c;
        ++pos;
      } else if (c == u'\\' || c == u'*') {
        if (pos + 1 < s.size()) out += s[pos + 1];
        pos = std::min(pos + 2, s.size());
      } else if (c == u'_') {
        if (pos + 1 < s.size()) out += u' ';
        pos = std::min(pos + 2, s.size());
      } else if (c == u'"') {
        qsizetype close = s.indexOf(u'"', pos + 1);
        if (close < 0) close = s.size();
        out += s.mid(pos + 1, close - pos - 1);
        pos = std::min(close + 1, s.size());
      }
    }
    // The text placeholder.
    if (pos < s.size() && s[pos] == u'@') {
      out += text;
      ++pos;
    }
    if (pos == start) return text;
  }
  return out;
}

QString FormatText(const QString& text, const QString& fmt) {
  WidestringArray sections;
  TResultConditionArray conditions;
  int holding = -1;
  const int count = SplitExcelFormatSections(fmt, 0.0, sections, conditions, holding);
  QString section;
  if (count == 4) section = sections[3];
  else if (sections[0].contains(u'@')) section = sections[0];
  else return text;
  return RenderTextSection(section, text);
}

QString FormatNumber(double v, const QString& fmt, bool isDate, const TFormatSettings& numbers,
                     const TFormatSettings& dates) {
  WidestringArray sections;
  TResultConditionArray cond;
  int holding = -1;
  const int count = SplitExcelFormatSections(fmt, v, sections, cond, holding);
  const bool nan = IsNaN(v);
  int sec = 0;
  bool suppress = false;
  if (holding >= 0) {
    sec = holding;
    suppress = cond[size_t(sec)].SupressNeg;
  } else if (!cond[0].Assigned && (v > 0 || nan || count == 1 || (v == 0 && count <= 2))) {
    sec = 0;
  } else if (!cond[1].Assigned && (v < 0 || nan || count <= 2)) {
    sec = 1;
    suppress = true;
    if (count == 2 && cond[0].Assigned) suppress = cond[0].SupressNegComp;
  } else {
    sec = cond[2].Assigned ? 3 : 2;
  }
  if (sec >= count) return kNoSection;
  const QString& s = sections[size_t(sec)];
  if (s.contains(u"[$-F800]", Qt::CaseInsensitive)) return FormatDateTime(dates.LongDateFormat, v, dates);
  if (s.contains(u"[$-F400]", Qt::CaseInsensitive)) return FormatDateTime(dates.LongTimeFormat, v, dates);
  if (isDate && v < 0) return kNoSection;
  return TSectionRenderer(s, v, suppress, numbers, dates).Run();
}

QString Dispatch(const QVariant& value, const QString& fmt, const TFormatSettings& numbers,
                 const TFormatSettings& dates) {
  if (!value.isValid() || value.isNull()) return QString();
  const int type = value.metaType().id();
  auto plain = [&]() -> QString {
    switch (type) {
      case QMetaType::Double:
      case QMetaType::Float:
        return PlainText(value.toDouble(), numbers);
      case QMetaType::QDate:
      case QMetaType::QDateTime:
        return DateTimeToStr(QDateTimeToDateTime(value.toDateTime()), dates);
      case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
      default:
        return value.toString();
    }
  };
  if (fmt.isEmpty()) return plain();
  if (type == QMetaType::Bool) return value.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
  try {
    switch (type) {
      case QMetaType::Short:
      case QMetaType::Int:
      case QMetaType::Float:
      case QMetaType::Double:
      case QMetaType::UChar:
      case QMetaType::LongLong:
      case QMetaType::Long:
        return FormatNumber(value.toDouble(), fmt, false, numbers, dates);
      case QMetaType::QDate:
      case QMetaType::QDateTime:
        return FormatNumber(QDateTimeToDateTime(value.toDateTime()), fmt, true, numbers, dates);
      case QMetaType::QString:
      case QMetaType::QByteArray:
      case QMetaType::QChar:
        return FormatText(value.toString(), fmt);
      default:
        return plain();
    }
  } catch (const Exception&) {
    return plain();
  }
}

}  // namespace

int SplitExcelFormatSections(const QString& Format, double Value, WidestringArray& Sections,
                             TResultConditionArray& Conditions, int& Holding) {
  Sections.fill(QString());
  Conditions.fill(TResultCondition());
  Holding = -1;
  const QStringView fmt(Format);
  const qsizetype n = fmt.size();
  int count = 0;
  qsizetype start = 0;
  bool quoted = false;
  qsizetype i = 0;
  while (i < n) {
    const QChar c = fmt[i];
    if (c == u'"') {
      quoted = !quoted;
      ++i;
    } else if (quoted) {
      ++i;
    } else if (c == u'\\') {
      i += 2;
    } else if (c == u'[') {
      if (n - i - 1 >= 2) {
        TResultCondition cond;
        bool holds = false;
        if (ReadCondition(fmt, i + 1, Value, cond, holds)) {
          Conditions[size_t(count)] = cond;
          if (holds && Holding < 0) Holding = count;
        }
      }
      const qsizetype close = fmt.indexOf(u']', i);
      i = close < 0 ? n : close + 1;
    } else if (c == u';') {
      Sections[size_t(count)] = fmt.mid(start, i - start).toString();
      ++count;
      start = i + 1;
      ++i;
      if (count == 4) return count;
    } else {
      ++i;
    }
  }
  Sections[size_t(count)] = fmt.mid(std::min(start, n)).toString();
  return count + 1;
}

QString ApplyExcelNumberFormat(const QVariant& Value, const QString& Format, const TFormatSettings& Settings) {
  TFormatSettings dates = Settings;
  if (dates.TimeAMString.isEmpty()) dates.TimeAMString = QStringLiteral("AM");
  if (dates.TimePMString.isEmpty()) dates.TimePMString = QStringLiteral("PM");
  return Dispatch(Value, Format, Settings, dates);
}

QString ApplyExcelNumberFormat(const QVariant& Value, const QString& Format) {
  return Dispatch(Value, Format, FormatSettings, DateSettings());
}
