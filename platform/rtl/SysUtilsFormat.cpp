// Format, FloatToStrF and FormatFloat.
//
// Every float is first turned into its shortest decimal form (the digits that
// read back as the same double), then rounded half away from zero on those
// digits. That is the rounding people expect on screen: 2.675 with two
// decimals shows "2.68", although the double itself lies a hair below.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/rtl/SysUtils.h"

namespace {

// A finite double as decimal digits: |value| = 0.D1D2D3... x 10^Exponent.
struct TDecimal {
  bool Negative = false;
  std::string Digits;  // no leading or trailing zeros; empty for zero
  int Exponent = 0;

  bool IsZero() const { return Digits.empty(); }
};

TDecimal ShortestDecimal(double value) {
  TDecimal d;
  d.Negative = std::signbit(value);
  if (value == 0) return d;
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific);
  const std::string_view text(buf, static_cast<size_t>(res.ptr - buf));  // d[.ddd]e(+|-)xx
  const size_t e = text.find('e');
  for (size_t i = 0; i < e; ++i)
    if (text[i] != '.') d.Digits.push_back(text[i]);
  int exp10 = 0;
  for (size_t i = e + 2; i < text.size(); ++i) exp10 = exp10 * 10 + (text[i] - '0');
  if (text[e + 1] == '-') exp10 = -exp10;
  while (!d.Digits.empty() && d.Digits.back() == '0') d.Digits.pop_back();
  d.Exponent = exp10 + 1;
  return d;
}

// Keeps the first Keep digits, rounding half away from zero.
void RoundAt(TDecimal& d, long keep) {
  if (keep >= static_cast<long>(d.Digits.size())) return;
  if (keep < 0) {
    d.Digits.clear();
  } else {
    const bool up = d.Digits[static_cast<size_t>(keep)] >= '5';
    d.Digits.resize(static_cast<size_t>(keep));
    if (up) {
      while (!d.Digits.empty() && d.Digits.back() == '9') d.Digits.pop_back();
      if (d.Digits.empty()) {
        d.Digits.push_back('1');
        ++d.Exponent;
      } else {
        ++d.Digits.back();
      }
    }
    while (!d.Digits.empty() && d.Digits.back() == '0') d.Digits.pop_back();
  }
  if (d.Digits.empty()) d.Exponent = 0;
}

void RoundToDecimals(TDecimal& d, int decimals) { RoundAt(d, static_cast<long>(d.Exponent) + decimals); }

// Digit at decimal position P (0 = first digit after "0.").
char DigitAt(const TDecimal& d, long p) {
  return p >= 0 && p < static_cast<long>(d.Digits.size()) ? d.Digits[static_cast<size_t>(p)] : '0';
}

std::string IntegerDigits(const TDecimal& d) {
  std::string s;
  for (long p = 0; p < d.Exponent; ++p) s.push_back(DigitAt(d, p));
  return s;
}

std::string FractionDigits(const TDecimal& d, int count) {
  std::string s;
  for (int i = 0; i < count; ++i) s.push_back(DigitAt(d, static_cast<long>(d.Exponent) + i));
  return s;
}

void AppendGrouped(QString& out, const std::string& digits, QChar separator) {
  const size_t n = digits.size();
  for (size_t i = 0; i < n; ++i) {
    out += QLatin1Char(digits[i]);
    const size_t left = n - i - 1;
    if (!separator.isNull() && left > 0 && left % 3 == 0) out += separator;
  }
}

QString ExponentText(int exp10, bool plusSign, int minDigits) {
  QString s;
  if (exp10 < 0) s += u'-';
  else if (plusSign) s += u'+';
  s += QString::number(std::abs(exp10)).rightJustified(minDigits, u'0');
  return s;
}

QString NonFiniteText(double value) {
  if (std::isnan(value)) return QStringLiteral("NAN");
  return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

// ffGeneral on digits already rounded to Precision.
QString GeneralText(const TDecimal& d, int precision, int expDigits, const TFormatSettings& fs) {
  if (d.IsZero()) return QStringLiteral("0");
  QString s;
  if (d.Negative) s += u'-';
  if (d.Exponent > precision || d.Exponent < -3) {
    s += QLatin1Char(d.Digits[0]);
    if (d.Digits.size() > 1) {
      s += fs.DecimalSeparator;
      s += QLatin1String(d.Digits.data() + 1, static_cast<qsizetype>(d.Digits.size() - 1));
    }
    s += u'E';
    s += ExponentText(d.Exponent - 1, false, expDigits);
    return s;
  }
  const std::string integer = IntegerDigits(d);
  s += integer.empty() ? QStringLiteral("0") : QString::fromLatin1(integer);
  const long fraction = static_cast<long>(d.Digits.size()) - d.Exponent;
  if (fraction > 0) {
    s += fs.DecimalSeparator;
    s += QString::fromLatin1(FractionDigits(d, static_cast<int>(fraction)));
  }
  return s;
}

// ffExponent on digits already rounded to Precision.
QString ExponentFormText(const TDecimal& d, int precision, int expDigits, const TFormatSettings& fs) {
  QString s;
  if (d.Negative && !d.IsZero()) s += u'-';
  s += QLatin1Char(DigitAt(d, 0));
  if (precision > 1) {
    s += fs.DecimalSeparator;
    for (int i = 1; i < precision; ++i) s += QLatin1Char(DigitAt(d, i));
  }
  s += u'E';
  s += ExponentText(d.IsZero() ? 0 : d.Exponent - 1, true, expDigits);
  return s;
}

QString CurrencyText(const QString& number, bool negative, const TFormatSettings& fs) {
  const QString& c = fs.CurrencyString;
  if (!negative) {
    switch (fs.CurrencyFormat) {
      case 1: return number + c;
      case 2: return c + u' ' + number;
      case 3: return number + u' ' + c;
      default: return c + number;
    }
  }
  switch (fs.NegCurrFormat) {
    case 1: return u'-' + c + number;
    case 2: return c + u'-' + number;
    case 3: return c + number + u'-';
    case 4: return u'(' + number + c + u')';
    case 5: return u'-' + number + c;
    case 6: return number + u'-' + c;
    case 7: return number + c + u'-';
    case 8: return u'-' + number + u' ' + c;
    case 9: return u'-' + c + u' ' + number;
    case 10: return number + u' ' + c + u'-';
    case 11: return c + u' ' + number + u'-';
    case 12: return c + u' ' + u'-' + number;
    case 13: return number + u'-' + u' ' + c;
    case 14: return u'(' + c + u' ' + number + u')';
    case 15: return u'(' + number + u' ' + c + u')';
    default: return u'(' + c + number + u')';
  }
}

// ---------------------------------------------------------------------------
// FormatFloat pictures

struct TPictureItem {
  enum TKind { pkLiteral, pkDigitZero, pkDigitHash, pkPoint, pkExponent };
  TKind Kind;
  QString Text;          // pkLiteral; pkExponent: "E" or "e"
  bool PlusSign = false;  // pkExponent
  int MinDigits = 0;      // pkExponent
};

struct TPicture {
  std::vector<TPictureItem> Items;
  int IntPlaceholders = 0;
  int DecPlaceholders = 0;
  int MinInt = 0;  // placeholders from the first "0" to the decimal point
  int MinDec = 0;  // decimals up to the last "0"
  bool Thousands = false;
  bool Scientific = false;
};

// Splits a picture into its sections at the semicolons outside quotes.
std::vector<QStringView> SplitSections(QStringView fmt) {
  std::vector<QStringView> sections;
  qsizetype start = 0;
  QChar quote;
  for (qsizetype i = 0; i < fmt.size(); ++i) {
    const QChar c = fmt[i];
    if (!quote.isNull()) {
      if (c == quote) quote = QChar();
    } else if (c == u'"' || c == u'\'') {
      quote = c;
    } else if (c == u';') {
      sections.push_back(fmt.mid(start, i - start));
      start = i + 1;
    }
  }
  sections.push_back(fmt.mid(start));
  if (sections.size() > 3) sections.resize(3);
  return sections;
}

TPicture ParsePicture(QStringView text) {
  TPicture p;
  bool pointSeen = false;
  int firstIntZero = -1;
  int lastDecZero = -1;
  auto literal = [&p](QStringView s) {
    if (s.isEmpty()) return;
    if (!p.Items.empty() && p.Items.back().Kind == TPictureItem::pkLiteral) p.Items.back().Text += s;
    else p.Items.push_back({TPictureItem::pkLiteral, s.toString()});
  };
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == u'"' || c == u'\'') {
      qsizetype end = text.indexOf(c, i + 1);
      if (end < 0) end = text.size();
      literal(text.mid(i + 1, end - i - 1));
      i = end;
    } else if ((c == u'0' || c == u'#') && !p.Scientific) {
      const bool zero = c == u'0';
      if (pointSeen) {
        if (zero) lastDecZero = p.DecPlaceholders;
        ++p.DecPlaceholders;
      } else {
        if (zero && firstIntZero < 0) firstIntZero = p.IntPlaceholders;
        ++p.IntPlaceholders;
      }
      p.Items.push_back({zero ? TPictureItem::pkDigitZero : TPictureItem::pkDigitHash, {}});
    } else if (c == u'.' && !p.Scientific) {
      if (!pointSeen) p.Items.push_back({TPictureItem::pkPoint, {}});
      pointSeen = true;
    } else if (c == u',' && !p.Scientific) {
      p.Thousands = true;
    } else if ((c == u'E' || c == u'e') && !p.Scientific && i + 1 < text.size() &&
               (text[i + 1] == u'+' || text[i + 1] == u'-')) {
      TPictureItem item{TPictureItem::pkExponent, QString(c)};
      item.PlusSign = text[i + 1] == u'+';
      i += 2;
      int zeros = 0;
      while (i < text.size() && text[i] == u'0') ++zeros, ++i;
      --i;
      item.MinDigits = std::min(zeros, 4);
      p.Items.push_back(item);
      p.Scientific = true;
    } else {
      literal(text.mid(i, 1));
    }
  }
  p.MinInt = firstIntZero < 0 ? 0 : p.IntPlaceholders - firstIntZero;
  p.MinDec = lastDecZero + 1;
  return p;
}

QString RenderPicture(const TPicture& p, double value, bool showSign, const TFormatSettings& fs) {
  std::string intDigits;
  std::string fracDigits;
  int exp10 = 0;
  if (p.Scientific) {
    // The integer placeholders fix how many digits stand before the point;
    // the exponent makes up the difference.
    TDecimal d = ShortestDecimal(value);
    RoundAt(d, std::max(1, p.IntPlaceholders + p.DecPlaceholders));
    exp10 = d.IsZero() ? 0 : d.Exponent - p.IntPlaceholders;
    for (int i = 0; i < p.IntPlaceholders; ++i) intDigits.push_back(DigitAt(d, i));
    for (int i = 0; i < p.DecPlaceholders; ++i) fracDigits.push_back(DigitAt(d, p.IntPlaceholders + i));
    while (intDigits.size() > static_cast<size_t>(p.MinInt) && intDigits.front() == '0') intDigits.erase(0, 1);
  } else {
    TDecimal d = ShortestDecimal(value);
    RoundToDecimals(d, p.DecPlaceholders);
    intDigits = IntegerDigits(d);
    fracDigits = FractionDigits(d, p.DecPlaceholders);
  }
  // A section of text alone shows no number.
  if (p.IntPlaceholders + p.DecPlaceholders == 0 && !p.Scientific) intDigits.clear();
  if (intDigits.size() < static_cast<size_t>(p.MinInt))
    intDigits.insert(0, static_cast<size_t>(p.MinInt) - intDigits.size(), '0');
  while (fracDigits.size() > static_cast<size_t>(p.MinDec) && fracDigits.back() == '0') fracDigits.pop_back();

  // The minus sign leads the result, before any literal text.
  QString out;
  if (showSign) out += u'-';
  size_t emitted = 0;
  int intIndex = 0;
  int decIndex = 0;
  bool pointPassed = false;
  const QChar separator = p.Thousands ? fs.ThousandSeparator : QChar();
  auto emitIntDigits = [&](size_t count) {
    for (size_t k = 0; k < count; ++k) {
      out += QLatin1Char(intDigits[emitted++]);
      const size_t left = intDigits.size() - emitted;
      if (!separator.isNull() && left > 0 && left % 3 == 0) out += separator;
    }
  };
  for (const TPictureItem& item : p.Items) {
    switch (item.Kind) {
      case TPictureItem::pkLiteral:
        out += item.Text;
        break;
      case TPictureItem::pkDigitZero:
      case TPictureItem::pkDigitHash:
        if (!pointPassed) {
          // This placeholder and the ones after it take the last digits; the
          // first one also takes every digit beyond them.
          const size_t left = static_cast<size_t>(p.IntPlaceholders - intIndex);
          const size_t pending = intDigits.size() - emitted;
          if (pending >= left) emitIntDigits(pending - left + 1);
          ++intIndex;
        } else {
          if (static_cast<size_t>(decIndex) < fracDigits.size())
            out += QLatin1Char(fracDigits[static_cast<size_t>(decIndex)]);
          ++decIndex;
        }
        break;
      case TPictureItem::pkPoint:
        emitIntDigits(intDigits.size() - emitted);
        pointPassed = true;
        if (!fracDigits.empty()) out += fs.DecimalSeparator;
        break;
      case TPictureItem::pkExponent:
        emitIntDigits(intDigits.size() - emitted);
        pointPassed = true;
        out += item.Text;
        out += ExponentText(exp10, item.PlusSign, item.MinDigits);
        break;
    }
  }
  emitIntDigits(intDigits.size() - emitted);
  return out;
}

// Whether Value shows as zero under the picture's rounding.
bool RoundsToZero(const TPicture& p, double value) {
  if (value == 0) return true;
  if (p.Scientific) return false;
  TDecimal d = ShortestDecimal(value);
  RoundToDecimals(d, p.DecPlaceholders);
  return d.IsZero();
}

// ---------------------------------------------------------------------------
// Format

// Widths and precisions beyond this are refused rather than allocated.
constexpr int kMaxFieldSize = 1 << 20;

class TFormatter {
 public:
  TFormatter(const QString& fmt, const TVarRec* args, size_t count, const TFormatSettings& fs)
      : FFmt(fmt), FArgs(args), FCount(count), FSettings(fs) {}

  QString Run() {
    QString out;
    out.reserve(FFmt.size() + 16);
    qsizetype i = 0;
    const qsizetype n = FFmt.size();
    while (i < n) {
      const qsizetype percent = FFmt.indexOf(u'%', i);
      if (percent < 0) {
        out += QStringView(FFmt).mid(i);
        break;
      }
      out += QStringView(FFmt).mid(i, percent - i);
      i = percent + 1;
      if (i >= n) InvalidFormat();
      if (FFmt[i] == u'%') {
        out += u'%';
        ++i;
        continue;
      }
      out += Specifier(i);
    }
    return out;
  }

 private:
  [[noreturn]] void InvalidFormat() const {
    throw EConvertError(Format(RtlConsts::SInvalidFormat, {FFmt}));
  }

  const TVarRec& NextArg() {
    if (FArgIndex >= FCount) throw EConvertError(Format(RtlConsts::SArgumentMissing, {FFmt}));
    return FArgs[FArgIndex++];
  }

  // A number or "*" at I; false (I unchanged) when neither is there.
  bool ReadNumber(qsizetype& i, int& value) {
    if (i < FFmt.size() && FFmt[i] == u'*') {
      ++i;
      const TVarRec& a = NextArg();
      if (a.VType() != TVarRec::vtInteger && a.VType() != TVarRec::vtInt64) InvalidFormat();
      const int64_t v = a.AsInt64();
      if (v > kMaxFieldSize) InvalidFormat();
      value = v < 0 ? -1 : static_cast<int>(v);
      return true;
    }
    if (i >= FFmt.size() || !FFmt[i].isDigit() || FFmt[i].unicode() > 0x7F) return false;
    int64_t v = 0;
    while (i < FFmt.size() && FFmt[i] >= u'0' && FFmt[i] <= u'9') {
      v = v * 10 + (FFmt[i].unicode() - u'0');
      if (v > kMaxFieldSize) InvalidFormat();
      ++i;
    }
    value = static_cast<int>(v);
    return true;
  }

  QString Specifier(qsizetype& i) {
    int number = -1;
    bool haveNumber = ReadNumber(i, number);
    if (haveNumber && i < FFmt.size() && FFmt[i] == u':') {
      ++i;
      FArgIndex = number < 0 ? FCount : static_cast<size_t>(number);
      haveNumber = false;
    }
    bool left = false;
    if (i < FFmt.size() && FFmt[i] == u'-') {
      left = true;
      ++i;
    }
    if (!haveNumber) haveNumber = ReadNumber(i, number);
    const int width = haveNumber ? number : -1;
    int prec = -1;
    if (i < FFmt.size() && FFmt[i] == u'.') {
      ++i;
      if (!ReadNumber(i, prec)) prec = 0;
    }
    if (i >= FFmt.size()) InvalidFormat();
    const char16_t type = FFmt[i].toLower().unicode();
    ++i;
    if (!QStringView(u"duefgnmpsx").contains(QChar(type))) InvalidFormat();
    const QString text = Convert(type, NextArg(), prec);
    if (width > text.size()) return left ? text.leftJustified(width) : text.rightJustified(width);
    return text;
  }

  QString Convert(char16_t type, const TVarRec& a, int prec) {
    const TVarRec::TVarType vt = a.VType();
    const bool integer = vt == TVarRec::vtInteger || vt == TVarRec::vtInt64 || vt == TVarRec::vtUInt64;
    switch (type) {
      case u'd':
      case u'u': {
        if (!integer) InvalidFormat();
        bool negative = false;
        uint64_t magnitude;
        if (vt == TVarRec::vtUInt64) {
          magnitude = a.AsUInt64();
        } else if (type == u'u') {
          magnitude = vt == TVarRec::vtInteger ? static_cast<uint32_t>(a.AsInt64())
                                               : static_cast<uint64_t>(a.AsInt64());
        } else {
          negative = a.AsInt64() < 0;
          magnitude = negative ? 0 - static_cast<uint64_t>(a.AsInt64()) : static_cast<uint64_t>(a.AsInt64());
        }
        QString digits = QString::number(magnitude);
        if (prec > digits.size()) digits = digits.rightJustified(prec, u'0');
        return negative ? u'-' + digits : digits;
      }
      case u'x': {
        if (!integer) InvalidFormat();
        uint64_t bits = vt == TVarRec::vtUInt64   ? a.AsUInt64()
                        : vt == TVarRec::vtInteger ? static_cast<uint32_t>(a.AsInt64())
                                                   : static_cast<uint64_t>(a.AsInt64());
        QString digits = QString::number(bits, 16).toUpper();
        if (prec > digits.size()) digits = digits.rightJustified(prec, u'0');
        return digits;
      }
      case u'e':
      case u'f':
      case u'g':
      case u'n':
      case u'm': {
        if (vt != TVarRec::vtExtended) InvalidFormat();
        const double v = a.AsExtended();
        switch (type) {
          case u'e': return FloatToStrF(v, ffExponent, prec < 0 ? 15 : prec, 3, FSettings);
          case u'f': return FloatToStrF(v, ffFixed, 18, prec < 0 ? 2 : prec, FSettings);
          case u'g': return FloatToStrF(v, ffGeneral, prec < 0 ? 15 : prec, 3, FSettings);
          case u'n': return FloatToStrF(v, ffNumber, 18, prec < 0 ? 2 : prec, FSettings);
          default:
            return FloatToStrF(v, ffCurrency, 18, prec < 0 ? FSettings.CurrencyDecimals : prec, FSettings);
        }
      }
      case u'p': {
        if (vt != TVarRec::vtPointer) InvalidFormat();
        return QString::number(reinterpret_cast<quintptr>(a.AsPointer()), 16)
            .toUpper()
            .rightJustified(static_cast<int>(sizeof(void*) * 2), u'0');
      }
      case u's': {
        QString s;
        if (vt == TVarRec::vtString) s = a.AsString();
        else if (vt == TVarRec::vtChar) s = QString(a.AsChar());
        else InvalidFormat();
        if (prec >= 0 && prec < s.size()) {
          qsizetype cut = prec;
          // Never split a surrogate pair.
          if (cut > 0 && s[cut - 1].isHighSurrogate() && s[cut].isLowSurrogate()) --cut;
          s.truncate(cut);
        }
        return s;
      }
    }
    InvalidFormat();
  }

  const QString& FFmt;
  const TVarRec* FArgs;
  size_t FCount;
  const TFormatSettings& FSettings;
  size_t FArgIndex = 0;
};

}  // namespace

// ---------------------------------------------------------------------------

QString FloatToStrF(Extended value, TFloatFormat format, int precision, int digits,
                    const TFormatSettings& settings) {
  if (!std::isfinite(value)) return NonFiniteText(value);
  precision = std::clamp(precision, 1, 18);
  TDecimal d = ShortestDecimal(value);
  RoundAt(d, precision);
  switch (format) {
    case ffGeneral:
      return GeneralText(d, precision, std::clamp(digits, 0, 4), settings);
    case ffExponent:
      return ExponentFormText(d, precision, std::clamp(digits, 0, 4), settings);
    case ffFixed:
    case ffNumber:
    case ffCurrency:
      break;
  }
  if (d.Exponent > precision) return GeneralText(d, precision, 0, settings);
  digits = std::clamp(digits, 0, 18);
  RoundToDecimals(d, digits);
  QString s;
  const std::string integer = IntegerDigits(d);
  if (integer.empty()) s += u'0';
  else AppendGrouped(s, integer, format == ffFixed ? QChar() : settings.ThousandSeparator);
  if (digits > 0) {
    s += settings.DecimalSeparator;
    s += QString::fromLatin1(FractionDigits(d, digits));
  }
  const bool negative = d.Negative && !d.IsZero();
  if (format == ffCurrency) return CurrencyText(s, negative, settings);
  return negative ? u'-' + s : s;
}

QString FloatToStrF(Extended value, TFloatFormat format, int precision, int digits) {
  return FloatToStrF(value, format, precision, digits, FormatSettings);
}

QString FloatToStr(Extended value, const TFormatSettings& settings) {
  return FloatToStrF(value, ffGeneral, 15, 0, settings);
}

QString FloatToStr(Extended value) { return FloatToStr(value, FormatSettings); }

QString FormatFloat(const QString& fmt, Extended value, const TFormatSettings& settings) {
  if (fmt.isEmpty() || !std::isfinite(value)) return FloatToStr(value, settings);
  const std::vector<QStringView> sections = SplitSections(fmt);
  auto usable = [&sections](size_t i) { return i < sections.size() && !sections[i].isEmpty(); };
  const bool negative = value < 0;
  size_t index = negative && usable(1) ? 1 : 0;
  TPicture picture = ParsePicture(sections[index]);
  if (!picture.Scientific && ShortestDecimal(value).Exponent > 18)
    return FloatToStrF(value, ffGeneral, 15, 0, settings);
  if (RoundsToZero(picture, value)) {
    // Zero, or a value that rounds to zero, shows in the zero section
    // (or the positive one) and never as "-0".
    const size_t zeroIndex = usable(2) ? 2 : 0;
    if (zeroIndex != index) picture = ParsePicture(sections[zeroIndex]);
    return RenderPicture(picture, 0.0, false, settings);
  }
  return RenderPicture(picture, std::fabs(value), negative && index == 0, settings);
}

QString FormatFloat(const QString& fmt, Extended value) { return FormatFloat(fmt, value, FormatSettings); }

QString Format(const QString& fmt, std::initializer_list<TVarRec> args, const TFormatSettings& settings) {
  return TFormatter(fmt, args.begin(), args.size(), settings).Run();
}

QString Format(const QString& fmt, std::initializer_list<TVarRec> args) {
  return Format(fmt, args, FormatSettings);
}
