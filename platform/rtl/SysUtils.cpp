// Format settings, integer and float conversions, rounding and the string
// routines.

#include "platform/rtl/SysUtils.h"

#include <QCollator>
#include <QLocale>
#include <locale.h>
#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <cmath>
#include <limits>
#include <mutex>
#include <optional>
#include <utility>
#include <string>

// ---------------------------------------------------------------------------
// TFormatSettings

namespace {

const char* const kEnglishShortMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kEnglishLongMonths[12] = {"January", "February", "March",     "April",
                                            "May",     "June",     "July",      "August",
                                            "September", "October", "November", "December"};
const char* const kEnglishShortDays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kEnglishLongDays[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                         "Thursday", "Friday", "Saturday"};

bool IsSpaceLike(QChar c) { return c.isSpace() || c == QChar(0x00A0) || c == QChar(0x202F); }

QChar FirstChar(const QString& s) { return s.isEmpty() ? QChar() : s[0]; }

// Wraps literal text in quotes the date-time formatter understands.
QString QuoteLiteral(const QString& text) {
  if (text.isEmpty()) return {};
  if (!text.contains(u'"')) return u'"' + text + u'"';
  if (!text.contains(u'\'')) return u'\'' + text + u'\'';
  QString plain = text;
  plain.remove(u'"');
  return u'"' + plain + u'"';
}

// The first punctuation character between two fields of a Qt pattern.
QChar PatternSeparator(const QString& pattern, QChar fallback) {
  bool inField = false;
  for (QChar c : pattern) {
    if (c == u'\'') return fallback;
    if (c.isLetter()) {
      inField = true;
    } else if (inField && !IsSpaceLike(c)) {
      return c;
    }
  }
  return fallback;
}

// Turns a Qt date or time pattern into the framework's tokens: months stay
// "M", minutes become "mm" after an hour and "nn" elsewhere, AP becomes
// AMPM, the time zone is dropped and other letters are quoted.
QString ConvertQtPattern(const QString& qt, QChar dateSep, QChar timeSep, bool fourDigitYear) {
  QString out;
  bool afterHour = false;
  const qsizetype n = qt.size();
  for (qsizetype i = 0; i < n;) {
    const QChar c = qt[i];
    if (c == u'\'') {
      QString literal;
      qsizetype j = i + 1;
      if (j < n && qt[j] == u'\'') {
        literal = u'\'';
        j += 1;
      } else {
        while (j < n) {
          if (qt[j] == u'\'') {
            if (j + 1 < n && qt[j + 1] == u'\'') {
              literal += u'\'';
              j += 2;
              continue;
            }
            ++j;
            break;
          }
          literal += qt[j++];
        }
      }
      out += QuoteLiteral(literal);
      i = j;
      continue;
    }
    if (!c.isLetter()) {
      if ((c == u'/' && dateSep != u'/') || (c == u':' && timeSep != u':') || c == u'"')
        out += QuoteLiteral(QString(c));
      else
        out += c;
      ++i;
      continue;
    }
    qsizetype run = 1;
    while (i + run < n && qt[i + run] == c) ++run;
    const int count = static_cast<int>(run);
    switch (c.unicode()) {
      case u'd':
        out += QString(std::min(count, 4), u'd');
        afterHour = false;
        break;
      case u'M':
      case u'L':
        out += QString(std::min(count, 4), u'M');
        afterHour = false;
        break;
      case u'y':
        out += count <= 2 && !fourDigitYear ? QStringLiteral("yy") : QStringLiteral("yyyy");
        afterHour = false;
        break;
      case u'h':
      case u'H':
        out += count == 1 ? QStringLiteral("h") : QStringLiteral("hh");
        afterHour = true;
        break;
      case u'm':
        out += QString(std::min(count, 2), afterHour ? u'm' : u'n');
        afterHour = false;
        break;
      case u's':
        out += QString(std::min(count, 2), u's');
        afterHour = false;
        break;
      case u'z':
        out += count == 1 ? QStringLiteral("z") : QStringLiteral("zzz");
        afterHour = false;
        break;
      case u'A':
      case u'a':
        out += QStringLiteral("AMPM");
        // "AP"/"ap" are one token; a following "P"/"p" belongs to it.
        if (i + run < n && (qt[i + run] == u'P' || qt[i + run] == u'p')) ++run;
        break;
      case u't':
        while (!out.isEmpty() && IsSpaceLike(out.back())) out.chop(1);
        break;
      default:
        out += QuoteLiteral(qt.mid(i, run));
        break;
    }
    i += run;
  }
  while (!out.isEmpty() && IsSpaceLike(out.back())) out.chop(1);
  return out;
}

// Reduces a currency amount written by Qt to its shape: S symbol, N number,
// "-", "(", ")" and one blank for any run of spaces.
QString CurrencyShape(QString text, const QString& symbol, const QLocale& locale) {
  if (!symbol.isEmpty()) text.replace(symbol, QStringLiteral("\x01"));
  const QString decimal = locale.decimalPoint();
  const QString group = locale.groupSeparator();
  QString shape;
  for (QChar c : text) {
    QChar token;
    if (c == QChar(1)) token = u'S';
    else if (c.isDigit() || decimal.contains(c) || group.contains(c)) token = u'N';
    else if (IsSpaceLike(c)) token = u' ';
    else if (c == u'-' || c == QChar(0x2212)) token = u'-';
    else if (c == u'(' || c == u')') token = c;
    else continue;
    if (!shape.isEmpty() && shape.back() == token && (token == u'N' || token == u' ')) continue;
    shape += token;
  }
  return shape.trimmed();
}

void ApplyCurrency(TFormatSettings& fs, const QLocale& locale) {
  fs.CurrencyString = locale.currencySymbol(QLocale::CurrencySymbol);
  const QString positive = locale.toCurrencyString(1.0);
  static const char* const kPositive[] = {"SN", "NS", "S N", "N S"};
  static const char* const kNegative[] = {"(SN)",  "-SN",  "S-N",  "SN-",  "(NS)",  "-NS",
                                          "N-S",   "NS-",  "-N S", "-S N", "N S-",  "S N-",
                                          "S -N",  "N- S", "(S N)", "(N S)"};
  const QString pos = CurrencyShape(positive, fs.CurrencyString, locale);
  fs.CurrencyFormat = 0;
  for (Byte i = 0; i < 4; ++i)
    if (pos == QLatin1String(kPositive[i])) fs.CurrencyFormat = i;
  const QString neg = CurrencyShape(locale.toCurrencyString(-1.0), fs.CurrencyString, locale);
  fs.NegCurrFormat = fs.CurrencyFormat == 0 ? 1 : fs.CurrencyFormat == 1 ? 5 : fs.CurrencyFormat == 2 ? 9 : 8;
  for (Byte i = 0; i < 16; ++i)
    if (neg == QLatin1String(kNegative[i])) fs.NegCurrFormat = i;
  // Decimals: the digits after the decimal point of the positive amount.
  fs.CurrencyDecimals = 0;
  const qsizetype point = positive.indexOf(locale.decimalPoint());
  if (point >= 0)
    for (qsizetype i = point + locale.decimalPoint().size(); i < positive.size() && positive[i].isDigit(); ++i)
      ++fs.CurrencyDecimals;
}

TFormatSettings FromLocale(const QLocale& locale) {
  if (locale.language() == QLocale::C) return TFormatSettings::Invariant();
  TFormatSettings fs;
  fs.DecimalSeparator = FirstChar(locale.decimalPoint());
  fs.ThousandSeparator = FirstChar(locale.groupSeparator());
  ApplyCurrency(fs, locale);
  const QString shortDate = locale.dateFormat(QLocale::ShortFormat);
  const QString shortTime = locale.timeFormat(QLocale::ShortFormat);
  fs.DateSeparator = PatternSeparator(shortDate, u'/');
  fs.TimeSeparator = PatternSeparator(shortTime, u':');
  // Short dates show four-digit years, whatever the locale's pattern says.
  fs.ShortDateFormat = ConvertQtPattern(shortDate, fs.DateSeparator, fs.TimeSeparator, true);
  fs.LongDateFormat =
      ConvertQtPattern(locale.dateFormat(QLocale::LongFormat), fs.DateSeparator, fs.TimeSeparator, false);
  fs.ShortTimeFormat = ConvertQtPattern(shortTime, fs.DateSeparator, fs.TimeSeparator, false);
  fs.LongTimeFormat =
      ConvertQtPattern(locale.timeFormat(QLocale::LongFormat), fs.DateSeparator, fs.TimeSeparator, false);
  fs.TimeAMString = locale.amText();
  fs.TimePMString = locale.pmText();
  for (int i = 0; i < 12; ++i) {
    fs.ShortMonthNames[i] = locale.monthName(i + 1, QLocale::ShortFormat);
    fs.LongMonthNames[i] = locale.monthName(i + 1, QLocale::LongFormat);
  }
  for (int i = 0; i < 7; ++i) {
    const int qtDay = i == 0 ? 7 : i;  // Qt counts from Monday = 1
    fs.ShortDayNames[i] = locale.dayName(qtDay, QLocale::ShortFormat);
    fs.LongDayNames[i] = locale.dayName(qtDay, QLocale::LongFormat);
  }
  fs.TwoDigitYearCenturyWindow = 50;
  fs.ListSeparator = fs.DecimalSeparator == u',' ? u';' : u',';
  return fs;
}

}  // namespace

TFormatSettings TFormatSettings::Invariant() {
  TFormatSettings fs;
  fs.DecimalSeparator = u'.';
  fs.ThousandSeparator = u',';
  fs.CurrencyString = QString(QChar(0x00A4));
  fs.CurrencyFormat = 0;
  fs.NegCurrFormat = 0;
  fs.CurrencyDecimals = 2;
  fs.DateSeparator = u'/';
  fs.TimeSeparator = u':';
  fs.ShortDateFormat = QStringLiteral("MM/dd/yyyy");
  fs.LongDateFormat = QStringLiteral("dddd, dd MMMM yyyy");
  fs.ShortTimeFormat = QStringLiteral("HH:mm");
  fs.LongTimeFormat = QStringLiteral("HH:mm:ss");
  fs.TimeAMString = QStringLiteral("AM");
  fs.TimePMString = QStringLiteral("PM");
  for (int i = 0; i < 12; ++i) {
    fs.ShortMonthNames[i] = QLatin1String(kEnglishShortMonths[i]);
    fs.LongMonthNames[i] = QLatin1String(kEnglishLongMonths[i]);
  }
  for (int i = 0; i < 7; ++i) {
    fs.ShortDayNames[i] = QLatin1String(kEnglishShortDays[i]);
    fs.LongDayNames[i] = QLatin1String(kEnglishLongDays[i]);
  }
  fs.TwoDigitYearCenturyWindow = 50;
  fs.ListSeparator = u',';
  return fs;
}

TFormatSettings TFormatSettings::Create() { return FromLocale(QLocale::system()); }

TFormatSettings TFormatSettings::Create(const QString& localeName) {
  if (localeName.isEmpty()) return Create();
  return FromLocale(QLocale(localeName));
}

TFormatSettings FormatSettings = TFormatSettings::Create();

TSysLocale TSysLocale::Create() {
  const QLocale system = QLocale::system();
  TSysLocale l;
  l.MiddleEast = system.textDirection() == Qt::RightToLeft;
  switch (system.language()) {
    case QLocale::Chinese:
    case QLocale::Japanese:
    case QLocale::Korean: l.FarEast = true; break;
    default: break;
  }
  return l;
}

TSysLocale SysLocale = TSysLocale::Create();

// ---------------------------------------------------------------------------
// Integers

QString IntToStr(Int64 value) { return QString::number(value); }
QString IntToStr(UInt64 value) { return QString::number(value); }

QString IntToHex(UInt64 value, int digits) {
  QString s = QString::number(value, 16).toUpper();
  if (digits > s.size()) s = s.rightJustified(std::min(digits, 64), u'0');
  return s;
}

namespace {

// Reads an integer of Bits bits (32 or 64). Hexadecimal may fill the whole
// unsigned width and then reads as the two's complement.
bool ParseInteger(const QString& s, int bits, Int64& value) {
  const qsizetype n = s.size();
  qsizetype i = 0;
  while (i < n && s[i] == u' ') ++i;
  bool negative = false;
  if (i < n && (s[i] == u'+' || s[i] == u'-')) negative = s[i++] == u'-';
  bool hex = false;
  if (i < n && s[i] == u'$') {
    hex = true;
    ++i;
  } else if (i + 1 < n && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
    hex = true;
    i += 2;
  }
  if (i >= n) return false;
  const uint64_t unsignedMax = bits == 64 ? std::numeric_limits<uint64_t>::max() : 0xFFFFFFFFull;
  const uint64_t signedMax = unsignedMax >> 1;
  uint64_t magnitude = 0;
  for (; i < n; ++i) {
    const char16_t c = s[i].unicode();
    unsigned digit;
    if (c >= u'0' && c <= u'9') digit = c - u'0';
    else if (hex && c >= u'a' && c <= u'f') digit = c - u'a' + 10;
    else if (hex && c >= u'A' && c <= u'F') digit = c - u'A' + 10;
    else return false;
    const unsigned base = hex ? 16 : 10;
    if (magnitude > (unsignedMax - digit) / base) return false;
    magnitude = magnitude * base + digit;
  }
  if (hex) {
    // Wrap into the signed range of the width, then apply the sign.
    uint64_t bitsValue = negative ? (0 - magnitude) & unsignedMax : magnitude;
    if (bits == 32) value = static_cast<int32_t>(static_cast<uint32_t>(bitsValue));
    else value = static_cast<Int64>(bitsValue);
    return true;
  }
  if (negative) {
    if (magnitude > signedMax + 1) return false;
    value = magnitude == signedMax + 1 ? (bits == 64 ? std::numeric_limits<Int64>::min() : INT32_MIN)
                                       : -static_cast<Int64>(magnitude);
  } else {
    if (magnitude > signedMax) return false;
    value = static_cast<Int64>(magnitude);
  }
  return true;
}

[[noreturn]] void RaiseConvert(const char* message, const QString& s) {
  throw EConvertError(Format(message, {s}));
}

}  // namespace

bool TryStrToInt(const QString& s, int& value) {
  Int64 v;
  if (!ParseInteger(s, 32, v)) return false;
  value = static_cast<int>(v);
  return true;
}

bool TryStrToInt64(const QString& s, Int64& value) { return ParseInteger(s, 64, value); }

int StrToInt(const QString& s) {
  int v;
  if (!TryStrToInt(s, v)) RaiseConvert(RtlConsts::SInvalidInteger, s);
  return v;
}

Int64 StrToInt64(const QString& s) {
  Int64 v;
  if (!TryStrToInt64(s, v)) RaiseConvert(RtlConsts::SInvalidInteger, s);
  return v;
}

int StrToIntDef(const QString& s, int defaultValue) {
  int v;
  return TryStrToInt(s, v) ? v : defaultValue;
}

// ---------------------------------------------------------------------------
// Floats

bool TryStrToFloat(const QString& s, Extended& value, const TFormatSettings& settings) {
  const qsizetype n = s.size();
  qsizetype i = 0;
  while (i < n && s[i] == u' ') ++i;
  qsizetype end = n;
  while (end > i && s[end - 1] == u' ') --end;
  std::string text;
  if (i < end && (s[i] == u'+' || s[i] == u'-')) {
    if (s[i] == u'-') text += '-';
    ++i;
  }
  auto isDigit = [&s](qsizetype k) { return s[k] >= u'0' && s[k] <= u'9'; };
  int mantissaDigits = 0;
  while (i < end && isDigit(i)) text += static_cast<char>(s[i++].unicode()), ++mantissaDigits;
  if (i < end && s[i] == settings.DecimalSeparator) {
    text += '.';
    ++i;
    while (i < end && isDigit(i)) text += static_cast<char>(s[i++].unicode()), ++mantissaDigits;
  }
  if (mantissaDigits == 0) return false;
  if (i < end && (s[i] == u'e' || s[i] == u'E')) {
    text += 'e';
    ++i;
    if (i < end && (s[i] == u'+' || s[i] == u'-')) text += static_cast<char>(s[i++].unicode());
    int expDigits = 0;
    while (i < end && isDigit(i)) text += static_cast<char>(s[i++].unicode()), ++expDigits;
    if (expDigits == 0) return false;
  }
  if (i != end) return false;
  // strtod in the "C" locale: exact, and it tells overflow (infinity) from
  // underflow (a tiny or zero result, accepted).
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
  errno = 0;
  char* stop = nullptr;
  const double v = strtod_l(text.c_str(), &stop, cLocale);
  if (stop != text.c_str() + text.size() || std::isinf(v)) return false;
  value = v;
  return true;
}

bool TryStrToFloat(const QString& s, Extended& value) { return TryStrToFloat(s, value, FormatSettings); }

Extended StrToFloat(const QString& s, const TFormatSettings& settings) {
  Extended v;
  if (!TryStrToFloat(s, v, settings)) RaiseConvert(RtlConsts::SInvalidFloat, s);
  return v;
}

Extended StrToFloat(const QString& s) { return StrToFloat(s, FormatSettings); }

Extended StrToFloatDef(const QString& s, Extended defaultValue, const TFormatSettings& settings) {
  Extended v;
  return TryStrToFloat(s, v, settings) ? v : defaultValue;
}

Extended StrToFloatDef(const QString& s, Extended defaultValue) {
  return StrToFloatDef(s, defaultValue, FormatSettings);
}

// ---------------------------------------------------------------------------
// Booleans

QString BoolToStr(bool value, bool useBoolStrs) {
  if (useBoolStrs) return value ? QStringLiteral("True") : QStringLiteral("False");
  return value ? QStringLiteral("-1") : QStringLiteral("0");
}

bool TryStrToBool(const QString& s, bool& value) {
  if (SameText(s, QStringLiteral("True"))) {
    value = true;
    return true;
  }
  if (SameText(s, QStringLiteral("False"))) {
    value = false;
    return true;
  }
  Extended number;
  if (!TryStrToFloat(s, number)) return false;
  value = number != 0;
  return true;
}

bool StrToBool(const QString& s) {
  bool v;
  if (!TryStrToBool(s, v)) RaiseConvert(RtlConsts::SInvalidBoolean, s);
  return v;
}

// ---------------------------------------------------------------------------
// Rounding

namespace {
Int64 CheckedInt64(double whole) {
  // 2^63 is exact in a double; anything at or above it (or NaN) has no Int64.
  if (!(whole >= -9223372036854775808.0 && whole < 9223372036854775808.0))
    throw EInvalidOp(QString::fromLatin1(RtlConsts::SInvalidOp));
  return static_cast<Int64>(whole);
}
}  // namespace

Int64 Round(Extended value) {
  double whole = std::trunc(value);
  const double rest = std::fabs(value - whole);  // exact for doubles
  if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0)) whole += std::copysign(1.0, value);
  return CheckedInt64(whole);
}

Int64 Trunc(Extended value) { return CheckedInt64(std::trunc(value)); }

Extended Int(Extended value) { return std::trunc(value); }

Extended Frac(Extended value) { return value - std::trunc(value); }

// ---------------------------------------------------------------------------
// Strings

int Pos(const QString& sub, const QString& s, int offset) {
  if (sub.isEmpty() || offset < 1 || offset > s.size()) return 0;
  return static_cast<int>(s.indexOf(sub, offset - 1)) + 1;
}

QString Copy(const QString& s, int index, int count) {
  if (index < 1) index = 1;
  if (count <= 0 || index > s.size()) return {};
  return s.mid(index - 1, std::min<qsizetype>(count, s.size() - (index - 1)));
}

void Delete(QString& s, int index, int count) {
  if (index < 1 || index > s.size() || count <= 0) return;
  s.remove(index - 1, std::min<qsizetype>(count, s.size() - (index - 1)));
}

void Insert(const QString& sub, QString& s, int index) {
  if (index < 1) index = 1;
  s.insert(std::min<qsizetype>(index - 1, s.size()), sub);
}

QString StringReplace(const QString& s, const QString& oldPattern, const QString& newPattern,
                      TReplaceFlags flags) {
  if (oldPattern.isEmpty()) return s;
  const Qt::CaseSensitivity cs = flags.Contains(rfIgnoreCase) ? Qt::CaseInsensitive : Qt::CaseSensitive;
  QString out;
  qsizetype from = 0;
  for (;;) {
    const qsizetype at = s.indexOf(oldPattern, from, cs);
    if (at < 0) break;
    out += QStringView(s).mid(from, at - from);
    out += newPattern;
    from = at + oldPattern.size();
    if (!flags.Contains(rfReplaceAll)) break;
  }
  if (from == 0) return s;
  out += QStringView(s).mid(from);
  return out;
}

QString Trim(const QString& s) {
  qsizetype b = 0, e = s.size();
  while (b < e && s[b] <= u' ') ++b;
  while (e > b && s[e - 1] <= u' ') --e;
  return s.mid(b, e - b);
}

QString TrimLeft(const QString& s) {
  qsizetype b = 0;
  while (b < s.size() && s[b] <= u' ') ++b;
  return s.mid(b);
}

QString TrimRight(const QString& s) {
  qsizetype e = s.size();
  while (e > 0 && s[e - 1] <= u' ') --e;
  return s.left(e);
}

namespace {
char16_t AsciiUpper(char16_t c) { return c >= u'a' && c <= u'z' ? c - 32 : c; }
char16_t AsciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? c + 32 : c; }
}  // namespace

QString UpperCase(const QString& s) {
  QString r = s;
  for (QChar& c : r) c = QChar(AsciiUpper(c.unicode()));
  return r;
}

QString LowerCase(const QString& s) {
  QString r = s;
  for (QChar& c : r) c = QChar(AsciiLower(c.unicode()));
  return r;
}

QString AnsiUpperCase(const QString& s) { return s.toUpper(); }
QString AnsiLowerCase(const QString& s) { return s.toLower(); }

int CompareStr(const QString& s1, const QString& s2) {
  const qsizetype n = std::min(s1.size(), s2.size());
  for (qsizetype i = 0; i < n; ++i)
    if (s1[i] != s2[i]) return int(s1[i].unicode()) - int(s2[i].unicode());
  return s1.size() < s2.size() ? -1 : s1.size() > s2.size() ? 1 : 0;
}

int CompareText(const QString& s1, const QString& s2) {
  const qsizetype n = std::min(s1.size(), s2.size());
  for (qsizetype i = 0; i < n; ++i) {
    const char16_t a = AsciiUpper(s1[i].unicode()), b = AsciiUpper(s2[i].unicode());
    if (a != b) return int(a) - int(b);
  }
  return s1.size() < s2.size() ? -1 : s1.size() > s2.size() ? 1 : 0;
}

bool SameStr(const QString& s1, const QString& s2) { return s1 == s2; }
bool SameText(const QString& s1, const QString& s2) { return s1.size() == s2.size() && CompareText(s1, s2) == 0; }

namespace {
// The locale whose collation orders text: the user's (the current default
// locale), or a language-neutral one when that is the C/POSIX locale, for
// which Qt's collator would only compare code points ("Z" before "É").
// English has no tailoring of its own: its order is the neutral root order.
QLocale CollationLocale(const QLocale& Current) {
  if (Current.language() != QLocale::C) return Current;
  return QLocale(QLocale::English, QLocale::UnitedStates);
}

// Collators of the current default locale, kept per thread.
const QCollator& LocaleCollator(bool caseSensitive) {
  struct TCache {
    QLocale Locale;
    std::optional<QCollator> Sensitive, Insensitive;
  };
  thread_local TCache cache;
  const QLocale current;
  if (!cache.Sensitive || cache.Locale != current) {
    cache.Locale = current;
    const QLocale collation = CollationLocale(current);
    cache.Sensitive.emplace(collation);
    cache.Sensitive->setCaseSensitivity(Qt::CaseSensitive);
    cache.Insensitive.emplace(collation);
    cache.Insensitive->setCaseSensitivity(Qt::CaseInsensitive);
  }
  return caseSensitive ? *cache.Sensitive : *cache.Insensitive;
}

int Sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }
}  // namespace

int AnsiCompareStr(const QString& s1, const QString& s2) { return Sign(LocaleCollator(true).compare(s1, s2)); }
int AnsiCompareText(const QString& s1, const QString& s2) { return Sign(LocaleCollator(false).compare(s1, s2)); }
bool AnsiSameStr(const QString& s1, const QString& s2) { return AnsiCompareStr(s1, s2) == 0; }
bool AnsiSameText(const QString& s1, const QString& s2) { return AnsiCompareText(s1, s2) == 0; }

QString QuotedStr(const QString& s) { return AnsiQuotedStr(s, u'\''); }

QString AnsiQuotedStr(const QString& s, QChar quote) {
  QString r;
  r.reserve(s.size() + 2);
  r += quote;
  for (QChar c : s) {
    r += c;
    if (c == quote) r += c;
  }
  r += quote;
  return r;
}

QString AnsiExtractQuotedStr(QString& src, QChar quote) {
  if (src.isEmpty() || src[0] != quote) return {};
  QString r;
  qsizetype i = 1;
  const qsizetype n = src.size();
  while (i < n) {
    if (src[i] == quote) {
      if (i + 1 < n && src[i + 1] == quote) {
        r += quote;
        i += 2;
        continue;
      }
      ++i;  // closing quote
      src = src.mid(i);
      return r;
    }
    r += src[i++];
  }
  src.clear();  // no closing quote: the rest was read
  return r;
}

QString AnsiDequotedStr(const QString& s, QChar quote) {
  if (s.isEmpty() || s[0] != quote) return s;
  QString rest = s;
  return AnsiExtractQuotedStr(rest, quote);
}

QString StringOfChar(QChar ch, int count) { return count > 0 ? QString(count, ch) : QString(); }

QString DupeString(const QString& s, int count) { return count > 0 ? s.repeated(count) : QString(); }

bool IsValidIdent(const QString& ident, bool allowDots) {
  bool start = true;
  for (qsizetype i = 0; i < ident.size(); ++i) {
    const QChar c = ident[i];
    if (allowDots && c == u'.') {
      if (start) return false;
      start = true;
      continue;
    }
    const bool letter = c == u'_' || (c.unicode() < 0x80 ? (AsciiUpper(c.unicode()) >= u'A' && AsciiUpper(c.unicode()) <= u'Z')
                                                         : c.isLetter());
    const bool digit = c >= u'0' && c <= u'9';
    if (start ? !letter : !(letter || digit)) return false;
    start = false;
  }
  return !start;
}

int LastDelimiter(const QString& delimiters, const QString& s) {
  for (qsizetype i = s.size() - 1; i >= 0; --i)
    if (delimiters.contains(s[i])) return static_cast<int>(i) + 1;
  return 0;
}

bool ContainsStr(const QString& text, const QString& subText) { return text.contains(subText); }
bool StartsStr(const QString& subText, const QString& text) { return text.startsWith(subText); }
bool EndsStr(const QString& subText, const QString& text) { return text.endsWith(subText); }
bool ContainsText(const QString& text, const QString& subText) { return text.contains(subText, Qt::CaseInsensitive); }
bool StartsText(const QString& subText, const QString& text) { return text.startsWith(subText, Qt::CaseInsensitive); }
bool EndsText(const QString& subText, const QString& text) { return text.endsWith(subText, Qt::CaseInsensitive); }

bool SameFileName(const QString& s1, const QString& s2) { return s1 == s2; }

// ---------------------------------------------------------------------------
// The application's exception route

namespace {
std::mutex& HandlerLock() {
  static std::mutex lock;
  return lock;
}
TExceptionHandler& InstalledHandler() {
  static TExceptionHandler handler;
  return handler;
}

void LogException(std::exception_ptr Error, const char* What) {
  try {
    std::rethrow_exception(Error);
  } catch (const std::exception& e) {
    qWarning("%s: %s", What, e.what());
  } catch (...) {
    qWarning("%s", What);
  }
}
}  // namespace

TExceptionHandler SetApplicationHandleException(TExceptionHandler Handler) {
  std::lock_guard lock(HandlerLock());
  return std::exchange(InstalledHandler(), std::move(Handler));
}

void ApplicationHandleException(std::exception_ptr Error) noexcept {
  if (!Error) return;
  TExceptionHandler handler;
  {
    std::lock_guard lock(HandlerLock());
    handler = InstalledHandler();
  }
  if (handler) {
    try {
      handler(Error);
      return;
    } catch (...) {
      LogException(std::current_exception(), "The exception handler raised");
    }
  }
  LogException(Error, "Unhandled exception");
}
