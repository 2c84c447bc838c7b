#include "grid/model/KitGridUtils.h"

#include <QStringView>

#include "platform/rtl/StringList.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Graphics.h"

namespace {

constexpr QChar kCR{u'\r'};
constexpr QChar kLF{u'\n'};

// A decimal integer: an optional sign and at least one ASCII digit, nothing
// else; False when it does not fit an int.
bool TryDecimal(QStringView text, int& value) {
  qsizetype i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
    negative = text[i] == u'-';
    ++i;
  }
  if (i >= text.size()) return false;
  Int64 result = 0;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c < u'0' || c > u'9') return false;
    result = result * 10 + (c - u'0');
    if (result > Int64{2147483648}) return false;
  }
  if (negative) result = -result;
  if (result > 2147483647) return false;
  value = static_cast<int>(result);
  return true;
}

// The count of ASCII digits of a field, for the two-digit year window.
int DigitCount(QStringView text) {
  int count = 0;
  for (QChar c : text)
    if (c >= u'0' && c <= u'9') ++count;
  return count;
}

bool IsLinkChar(QChar c) {
  const char16_t u = c.unicode();
  if ((u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z')) return true;
  switch (u) {
    case u'!': case u'%': case u'&': case u'(': case u')': case u'-': case u'.': case u'/':
    case u':': case u'=': case u'?': case u'@': case u'\\': case u'_': case u'{': case u'}':
      return true;
    default:
      return false;
  }
}

// Upper case one UTF-16 unit at a time, so that positions stay aligned with
// the original text.
QString UpperPerChar(const QString& text) {
  QString result = text;
  for (QChar& c : result) c = c.toUpper();
  return result;
}

// A short date of three integers in the given order of day, month, year.
TDateTime ParseShortDate(const QString& text, bool dayFirst) {
  QChar sep;
  for (QChar candidate : {QChar(u'/'), QChar(u'.'), QChar(u'-')}) {
    if (text.contains(candidate)) {
      sep = candidate;
      break;
    }
  }
  if (sep.isNull()) return 0;
  const qsizetype first = text.indexOf(sep);
  const qsizetype second = text.indexOf(sep, first + 1);
  if (second < 0) return 0;
  const QStringView view(text);
  int a = 0, b = 0, year = 0;
  if (!TryDecimal(view.mid(0, first), a) || !TryDecimal(view.mid(first + 1, second - first - 1), b) ||
      !TryDecimal(view.mid(second + 1), year))
    return 0;
  if (DigitCount(view.mid(second + 1)) <= 2) year += year < 26 ? 2000 : 1900;
  return dayFirst ? EncodeDate(year, b, a) : EncodeDate(year, a, b);
}

}  // namespace

// ---------------------------------------------------------------------------
// Locale and integer helpers

QChar UtilTimeSeparator() { return FormatSettings.TimeSeparator; }
QChar UtilDateSeparator() { return FormatSettings.DateSeparator; }
QChar UtilThousandSeparator() { return FormatSettings.ThousandSeparator; }
QChar UtilDecimalSeparator() { return FormatSettings.DecimalSeparator; }
QString UtilShortDateFormat() { return FormatSettings.ShortDateFormat; }

int LimitToRange(int Value, int Min, int Max) {
  int result = Value;
  if (Value < Min) result = Min;
  if (Value > Max) result = Max;
  return result;
}

int ApplySizeLimits(int Value, int Min, int Max) {
  if (Min == Max) return Value;
  int result = Value;
  if (Min > 0 && Value < Min) result = Min;
  if (Max > 0 && Value > Max) result = Max;
  return result;
}

int IntMax(int A, int B) { return A > B ? A : B; }
int IntMin(int A, int B) { return A < B ? A : B; }

double GetFormDpiScale(const TControl* Control) {
  if (!Control) return 1.0;
  const TCustomForm* form = GetParentForm(Control);
  if (!form || !form->Scaled()) return 1.0;
  return form->Monitor().PixelsPerInch() / 96.0;
}

// ---------------------------------------------------------------------------
// Character tests

bool IsDigitChar(QChar Ch) {
  if (Ch.unicode() < 128) return Ch >= u'0' && Ch <= u'9';
  const QChar::Category category = Ch.category();
  return category == QChar::Number_DecimalDigit || category == QChar::Number_Letter ||
         category == QChar::Number_Other;
}

bool CharIsDigit(QChar Ch) { return IsDigitChar(Ch); }
bool IsDigitOrMinus(QChar Ch) { return IsDigitChar(Ch) || Ch == u'-'; }

bool IsNumberChar(QChar Ch) {
  return IsDigitChar(Ch) || Ch == UtilThousandSeparator() || Ch == UtilDecimalSeparator() ||
         Ch == u'e' || Ch == u'E';
}

bool IsSignedNumberChar(QChar Ch) { return IsNumberChar(Ch) || Ch == u'+' || Ch == u'-'; }

bool IsScientificChar(QChar Ch) {
  return IsDigitChar(Ch) || Ch == u'+' || Ch == u'-' || Ch == u'.' || Ch == u'e' || Ch == u'E';
}

bool IsNumericKey(QChar Ch) {
  return IsDigitChar(Ch) || Ch == UtilThousandSeparator() || Ch == UtilDecimalSeparator() ||
         Ch == u'-' || Ch == QChar(8) || Ch == QChar(9) || Ch == QChar(13) || Ch == QChar(27);
}

bool IsWordSeparator(QChar Ch) {
  return Ch == u' ' || Ch == u'\'' || Ch == u',' || Ch == u'-' || Ch == u'.';
}

// ---------------------------------------------------------------------------
// Search and split helpers

int FindSubstring(const QString& Sub, const QString& Text, int& Pos) {
  Pos = ::Pos(Sub, Text);
  return Pos;
}

int UpperCasePos(const QString& Sub, const QString& Text) { return Pos(Sub, UpperCase(Text)); }

int FindCharPos(QChar Ch, const QString& Text, int& Pos) {
  const qsizetype index = Text.indexOf(Ch);
  if (index < 0) return 0;
  Pos = static_cast<int>(index + 1);
  return Pos;
}

int FirstCharPos(QChar Ch, const QString& Text) { return static_cast<int>(Text.indexOf(Ch) + 1); }

int WidePos(const QString& Sub, const QString& Text) { return Pos(Sub, Text); }

void CutBeforeSeparator(QString& Text, const QString& Sep, QString& Part) {
  const int at = Pos(Sep, Text);
  if (at == 0) {
    Part.clear();
    return;
  }
  Part = Text.left(at - 1);
  Text.remove(0, at);
}

void SplitToQuotedList(const QString& Sep, QString Text, TStrings* List) {
  auto add = [List](const QString& part) {
    List->Add(part.contains(u' ') ? u'"' + part + u'"' : part);
  };
  for (int at = Pos(Sep, Text); at > 0; at = Pos(Sep, Text)) {
    add(Text.left(at - 1));
    Text.remove(0, at);
  }
  add(Text);
}

QString ConcatLines(TStrings* List) {
  QString result;
  for (int i = 0; i < List->Count(); ++i) result += List->Strings(i);
  return result;
}

int CountChar(QChar Ch, const QString& Text) { return static_cast<int>(Text.count(Ch)); }

int CountCharDelim(QChar Ch, QChar Delim, const QString& Text) { return CountChar(Ch, Text); }

int CountCharOutsideQuotes(QChar Ch, const QString& Text) {
  int outside = 0;
  int inside = 0;
  QChar quote;
  for (QChar c : Text) {
    if (!quote.isNull()) {
      if (c == quote) quote = QChar();
      else if (c == Ch) ++inside;
    } else if (c == u'"' || c == u'\'') {
      quote = c;
    } else if (c == Ch) {
      ++outside;
    }
  }
  return quote.isNull() ? outside : outside + inside;
}

int FindClosingQuote(QChar Quote, const QString& Text, int& Pos) {
  const qsizetype n = Text.size();
  Pos = 0;
  for (qsizetype i = 0; i < n;) {
    if (Text[i] != Quote) {
      ++i;
      continue;
    }
    qsizetype end = i;
    while (end < n && Text[end] == Quote) ++end;
    if (end == n || (end - i) % 2 != 0) {
      Pos = static_cast<int>(end);  // 1-based position of the run's last quote
      return Pos;
    }
    i = end;
  }
  return 0;
}

bool ParseRCReference(const QString& Text, TPoint& Point) {
  if (Text.size() < 4 || (Text[0] != u'R' && Text[0] != u'r')) return false;
  qsizetype c = 1;
  while (c < Text.size() && Text[c] != u'C' && Text[c] != u'c') ++c;
  if (c >= Text.size()) return false;
  const QStringView view(Text);
  const QStringView rowText = view.mid(1, c - 1);
  const QStringView colText = view.mid(c + 1);
  if (rowText.isEmpty() || colText.isEmpty()) return false;
  for (QStringView part : {rowText, colText})
    for (QChar ch : part)
      if (ch < u'0' || ch > u'9') return false;
  int row = 0, col = 0;
  if (!TryDecimal(rowText, row) || !TryDecimal(colText, col)) return false;
  Point = TPoint(col, row);
  return true;
}

bool LooksLikeDate(const QString& Text) {
  const QChar sep = UtilDateSeparator();
  const qsizetype first = Text.indexOf(sep);
  if (first < 1) return false;
  return Text.indexOf(sep, first + 2) >= 0;
}

// ---------------------------------------------------------------------------
// Quoting and line conversions

QString DoubleQuoteChars(const QString& Text) {
  QString result = Text;
  return result.replace(u'"', u"\"\""_qs);
}

QString RemoveEnclosingQuotes(const QString& Text) {
  if (Text.size() > 2 && Text.startsWith(u'"') && Text.endsWith(u'"')) return Text.mid(1, Text.size() - 2);
  return Text;
}

QString CollapseDoubledChar(QChar Ch, const QString& Text) {
  if (!Text.contains(Ch)) return Text;
  QString result;
  result.reserve(Text.size());
  for (qsizetype i = 0; i < Text.size(); ++i) {
    result += Text[i];
    if (Text[i] == Ch && i + 1 < Text.size() && Text[i + 1] == Ch) ++i;
  }
  return result;
}

void QuoteMultiLineText(QString& Text) {
  Text.replace(u"\r\n"_qs, QString(QChar(11)));
  Text = u'"' + Text + u'"';
}

void VerticalTabsToCRLF(QString& Text) { Text.replace(QChar(11), u"\r\n"_qs); }

void CRLFToLF(QString& Text) { Text.replace(u"\r\n"_qs, u"\n"_qs); }

QString RemoveCRs(const QString& Text) {
  QString result = Text;
  return result.remove(kCR);
}

QString CRToLF(const QString& Text) {
  QString result = Text;
  return result.replace(kCR, kLF);
}

QString EscapeNewlines(const QString& Text) {
  QString result;
  result.reserve(Text.size());
  for (QChar c : Text) {
    if (c == kCR) result += u"\\n"_qs;
    else if (c != kLF) result += c;
  }
  return result;
}

QString UnescapeNewlines(const QString& Text) {
  QString result = Text;
  return result.replace(u"\\n"_qs, QString(kCR));
}

void LineBreaksToTilde(QString& Text) {
  Text.remove(kLF);
  Text.replace(kCR, u'~');
}

void TildeToLineBreaks(QString& Text) {
  if (Text == u"^"_qs) {
    Text.clear();
    return;
  }
  Text.replace(u'~', u"\r\n"_qs);
}

QString EncodeLineBreaks(const QString& Text) {
  if (!Text.contains(kCR)) return Text;
  QString result = Text;
  for (QChar& c : result) {
    if (c == kCR) c = QChar(9);
    else if (c == kLF) c = QChar(8);
    else if (c == QChar(0)) c = QChar(1);
  }
  return result;
}

QString DecodeLineBreaks(const QString& Text, bool Multiline) {
  QString result = Text;
  if (result.contains(QChar(8))) {
    for (QChar& c : result) {
      if (c == QChar(9)) c = kCR;
      else if (c == QChar(8)) c = kLF;
      else if (c == QChar(1)) c = QChar(0);
    }
  }
  if (Multiline) return result;
  QString line;
  ExtractFirstLine(result, false, line);
  return line;
}

void ExtractFirstLine(QString& Text, bool KeepRest, QString& Line) {
  const qsizetype cr = Text.indexOf(kCR);
  if (cr < 0) {
    Line = Text;
    Text.clear();
    return;
  }
  Line = Text.left(cr);
  if (!KeepRest) {
    Text.clear();
    return;
  }
  qsizetype rest = cr + 1;
  if (rest < Text.size() && Text[rest] == kLF) ++rest;
  Text.remove(0, rest);
}

int CountLines(const QString& Text, bool Multiline) {
  if (!Multiline) return 1;
  int lines = 1;
  for (qsizetype i = 0; i < Text.size(); ++i) {
    if (Text[i] != kCR) continue;
    i += 1;  // the character after a CR is taken as its LF
    if (i + 1 < Text.size()) ++lines;
  }
  return lines;
}

QString LongestLine(TCanvas* Canvas, const QString& Text) {
  QString rest = Text;
  QString longest;
  int widest = -1;
  do {
    QString line;
    ExtractFirstLine(rest, true, line);
    const int width = Canvas->TextWidth(line);
    if (width > widest) {
      widest = width;
      longest = line;
    }
  } while (!rest.isEmpty());
  return longest;
}

QString ReturnsToBrTags(const QString& Text) {
  if (!Text.contains(kCR)) return Text;
  QString result = Text;
  return result.replace(kCR, u"<br>"_qs);
}

void MaskText(QString& Text, QChar Ch) { Text.fill(Ch); }

void TextToOem(QString& Text) {}
void OemToText(QString& Text) {}

// ---------------------------------------------------------------------------
// Markup, hyperlink and wide-text helpers

int GetCellTextKind(const QString& Text, bool HTMLEnabled) {
  if (Text.isEmpty()) return 0;
  const QString text = Text + u' ';
  if (text.startsWith(u'=') && !text.contains(u"</"_qs)) return 3;
  if (text.startsWith(WideTextPrefix)) {
    if (text.size() > 4 && text[3] == u'=' && text[4] == QChar(0)) return 3;
    return 5;
  }
  if (text.startsWith(u"{\\"_qs)) return 2;
  if (HTMLEnabled) {
    static const char16_t* const kPairs[] = {u"IM", u"IN", u"BR", u"HR", u"CO"};
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
      if (text[i] != u'<') continue;
      if (text[i + 1] == u'/') return 1;
      if (i + 2 >= text.size()) continue;
      const QString pair = QString(text[i + 1]) + text[i + 2];
      for (const char16_t* p : kPairs)
        if (pair.compare(QString::fromUtf16(p), Qt::CaseInsensitive) == 0) return 1;
    }
  }
  return ContainsUrl(Text) ? 4 : 0;
}

bool ContainsUrl(const QString& Text) {
  return Text.contains(u"://"_qs) || Text.contains(u"mailto:"_qs);
}

void StripUrlScheme(QString& Text) {
  qsizetype at = Text.indexOf(u"://"_qs);
  if (at >= 0) {
    Text.remove(0, at + 3);
    return;
  }
  at = Text.indexOf(u"mailto:"_qs);
  if (at >= 0) Text.remove(0, at + 7);
}

bool LinkifyText(const QString& Text, const QString& Prefix, QString& Dest) {
  if (!UpperPerChar(Text).contains(Prefix)) return false;
  QString escaped = Text;
  escaped.replace(u'<', u"&lt;"_qs).replace(u'>', u"&gt;"_qs);
  const qsizetype start = UpperPerChar(escaped).indexOf(Prefix);
  qsizetype end = start;
  while (end < escaped.size() && IsLinkChar(escaped[end])) ++end;
  const QString link = escaped.mid(start, end - start);
  Dest = escaped.left(start) + u"<a href=\""_qs + link + u"\">"_qs + link + u"</a>"_qs +
         escaped.mid(end);
  return true;
}

QString WideCharsToEntities(const QString& Text) {
  QString result;
  result.reserve(Text.size());
  for (qsizetype i = 0; i < Text.size(); ++i) {
    const QChar c = Text[i];
    if (c.unicode() < 256) {
      result += c;
      continue;
    }
    char32_t code = c.unicode();
    // A surrogate pair is one character: one entity of its code point.
    if (c.isHighSurrogate() && i + 1 < Text.size() && Text[i + 1].isLowSurrogate()) {
      code = QChar::surrogateToUcs4(c, Text[i + 1]);
      ++i;
    }
    result += u"&#"_qs + QString::number(code) + u';';
  }
  return result;
}

QString ColorToHtmlHex(TColor Color) {
  const uint32_t rgb = static_cast<uint32_t>(Color);
  return QStringLiteral("%1%2%3")
      .arg(rgb & 0xFF, 2, 16, QChar(u'0'))
      .arg((rgb >> 8) & 0xFF, 2, 16, QChar(u'0'))
      .arg((rgb >> 16) & 0xFF, 2, 16, QChar(u'0'))
      .toUpper();
}

QString EncodeWideText(const QString& Text) {
  QString result = WideTextPrefix;
  result.reserve(2 + Text.size() * 2);
  for (QChar c : Text) {
    result += QChar(static_cast<char16_t>(c.unicode() >> 8));
    result += QChar(static_cast<char16_t>(c.unicode() & 0xFF));
  }
  return result;
}

QString DecodeWideText(const QString& Text) {
  if (!Text.startsWith(WideTextPrefix)) return Text;
  QString result;
  result.reserve((Text.size() - 2) / 2);
  for (qsizetype i = 2; i + 1 < Text.size(); i += 2) {
    const char16_t high = Text[i].unicode() & 0xFF;
    const char16_t low = Text[i + 1].unicode() & 0xFF;
    result += QChar(static_cast<char16_t>(high * 256 + low));
  }
  return result;
}

// ---------------------------------------------------------------------------
// Number and date helpers

int GetNumberTextType(const QString& Text) {
  return GetNumberTextTypeSep(Text, UtilDecimalSeparator(), UtilThousandSeparator());
}

int GetNumberTextTypeSep(const QString& Text, QChar DecSep, QChar ThouSep) {
  if (Text.isEmpty()) return 2;
  const QChar dateSep = UtilDateSeparator();
  const QChar timeSep = UtilTimeSeparator();
  const QChar localeDec = UtilDecimalSeparator();
  const QChar localeThou = UtilThousandSeparator();

  bool isInteger = true;
  bool isFloat = true;
  bool isScientific = true;
  bool isDate = Text.contains(dateSep) && IsDigitChar(Text[0]);
  bool isTime = Text.contains(timeSep) && IsDigitChar(Text[0]);
  int exponents = 0;
  int minus = 0;
  int decimals = 0;
  int dateSeps = 0;
  int timeSeps = 0;
  qsizetype lastThou = -1;
  QChar previous;
  for (qsizetype i = 0; i < Text.size(); ++i) {
    const QChar c = Text[i];
    const bool digit = IsDigitChar(c);
    if (c == u'-') ++minus;
    if (c == DecSep) ++decimals;
    if (c == u'e' || c == u'E') ++exponents;

    if (!digit && !(c == u'-' && i == 0)) isInteger = false;

    if (!digit) {
      if (c == u'-') {
        if (i != 0) isFloat = false;
      } else if (c == ThouSep) {
        if (lastThou >= 0 && i - lastThou <= 3) isFloat = false;
        lastThou = i;
      } else if (c != DecSep) {
        isFloat = false;
      }
    }

    if (!(digit || c == u'+' || c == u'-' || c == u'e' || c == u'E' || c == localeDec ||
          c == localeThou) ||
        c == ThouSep)
      isScientific = false;

    if (!digit) {
      if (c == dateSep) {
        ++dateSeps;
        if (previous == dateSep) isDate = false;
      } else {
        isDate = false;
      }
      if (c == timeSep) {
        ++timeSeps;
        if (previous == timeSep) isTime = false;
      } else {
        isTime = false;
      }
    }
    previous = c;
  }
  if (dateSeps > 2) isDate = false;
  if (timeSeps > 2) isTime = false;
  const QChar first = Text[0];
  const QChar last = Text[Text.size() - 1];
  if (exponents != 1 || first == u'e' || first == u'E' || last == u'+' || last == u'-' ||
      last == u'e' || last == u'E')
    isScientific = false;

  int result;
  if (isInteger) result = 0;
  else if (isFloat && exponents == 0) result = 1;
  else result = 2;
  if (isScientific) result = 5;

  if (isTime) result = 4;
  else if (isDate && dateSeps == 2) result = 3;
  else if (minus > 1 || decimals > 1) result = 2;
  return result;
}

QString ExtractFloatText(const QString& Text) {
  if (Text.isEmpty()) return QString();
  const QChar thou = UtilThousandSeparator();
  const QChar dec = UtilDecimalSeparator();
  QString text = Trim(Text);
  bool negative = text.startsWith(u'(') && text.endsWith(u')');
  while (text.size() >= 2) {
    const QChar c = text[0];
    if (IsDigitChar(c) || c == thou || c == dec || c == u'e' || c == u'E') break;
    if (c == u'-') negative = true;
    text.remove(0, 1);
  }
  QString result;
  for (QChar c : text) {
    if (c == thou) continue;
    if (c == dec) result += u'.';
    else if (IsDigitChar(c) || c == u'+' || c == u'-' || c == u'.' || c == u'e' || c == u'E') result += c;
    else break;
  }
  return negative ? u'-' + result : result;
}

QString NumberTextToDot(const QString& Text) {
  const int kind = GetNumberTextType(Text);
  if (kind != 0 && kind != 1) return Text;
  const QChar thou = UtilThousandSeparator();
  const QChar dec = UtilDecimalSeparator();
  QString result;
  result.reserve(Text.size());
  for (QChar c : Text) {
    if (c == thou) continue;
    result += c == dec ? QChar(u'.') : c;
  }
  return result;
}

QString NumberTextFromDot(const QString& Text) {
  const QChar dec = UtilDecimalSeparator();
  if (dec == u'.') return Text;
  const int kind = GetNumberTextTypeSep(Text, u'.', u',');
  if (kind != 0 && kind != 1) return Text;
  QString result = Text;
  return result.replace(u'.', dec);
}

bool ParseDateByOrder(const QString& Text, TDateTime& Value) {
  const QString format = FormatSettings.ShortDateFormat.toUpper();
  const qsizetype dayAt = format.indexOf(u'D');
  const qsizetype monthAt = format.indexOf(u'M');
  const qsizetype yearAt = format.indexOf(u'Y');
  const QChar sep = UtilDateSeparator();

  const qsizetype first = Text.indexOf(sep);
  if (first < 0) return false;
  const qsizetype second = Text.indexOf(sep, first + 1);
  if (second < 0) return false;
  const QString field1 = Text.left(first);
  const QString field2 = Text.mid(first + 1, second - first - 1);
  QString field3 = Trim(Text.mid(second + 1));
  QString timeText;
  const qsizetype blank = field3.indexOf(u' ');
  if (blank >= 0) {
    timeText = Trim(field3.mid(blank));
    field3 = field3.left(blank);
  }
  int values[3];
  if (!TryDecimal(field1, values[0]) || !TryDecimal(field2, values[1]) || !TryDecimal(field3, values[2]))
    return false;

  // The rank of each part in the format: fields are read in that order.
  auto rank = [&](qsizetype at) {
    int r = 0;
    for (qsizetype other : {dayAt, monthAt, yearAt})
      if (other >= 0 && (at < 0 || other < at)) ++r;
    return r;
  };
  const int day = values[rank(dayAt)];
  const int month = values[rank(monthAt)];
  const int year = values[rank(yearAt)];
  if (day > 31 || month > 12) return false;

  TDateTime date = 0;
  if (timeText.isEmpty()) {
    if (!TryEncodeDate(year, month, day, date)) return false;
    Value = date;
    return true;
  }

  const QChar timeSep = UtilTimeSeparator();
  const qsizetype hourEnd = timeText.indexOf(timeSep);
  if (hourEnd < 0) {
    if (TryEncodeDate(year, month, day, date)) Value = date;
    return false;
  }
  int hour = 0, minute = 0, second2 = 0;
  if (!TryDecimal(QStringView(timeText).left(hourEnd), hour) || hour > 23) return false;
  const qsizetype minuteEnd = timeText.indexOf(timeSep, hourEnd + 1);
  if (minuteEnd >= 0) {
    if (!TryDecimal(QStringView(timeText).mid(hourEnd + 1, minuteEnd - hourEnd - 1), minute) ||
        !TryDecimal(QStringView(timeText).mid(minuteEnd + 1), second2) || second2 > 60)
      return false;
  } else if (!TryDecimal(QStringView(timeText).mid(hourEnd + 1), minute)) {
    return false;
  }
  if (minute > 59) return false;
  TDateTime time = 0;
  if (!TryEncodeDate(year, month, day, date) || !TryEncodeTime(hour, minute, second2, 0, time))
    return false;
  Value = date + time;
  return true;
}

TDateTime ParseShortDateDMY(const QString& Text) { return ParseShortDate(Text, true); }
TDateTime ParseShortDateMDY(const QString& Text) { return ParseShortDate(Text, false); }

TDateTime IncDateParts(int Years, int Months, int Days, double Default, TDateTime Date) {
  const bool onlyDays = Days != 0 && Years == 0 && Months == 0;
  const bool onlyYears = Years != 0 && Months == 0 && Days == 0;
  const bool onlyMonths = Months != 0 && Years == 0 && Days == 0;
  if (onlyDays) return Date + Days;
  if (!onlyYears && !onlyMonths) return Date + Default;

  Word year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0;
  DecodeDate(Date, year, month, day);
  DecodeTime(Date, hour, minute, second, msec);
  int newYear = year;
  int newMonth = month;
  if (onlyYears) {
    newYear += Years;
  } else {
    newMonth += Months;
    if (newMonth < 0 || newMonth > 24) throw EConvertError(QString::fromLatin1(RtlConsts::SDateEncodeError));
    if (newMonth == 0) {
      newMonth = 12;
      --newYear;
    } else if (newMonth > 12) {
      newMonth -= 12;
      ++newYear;
    }
  }
  return EncodeDateTime(newYear, newMonth, day, hour, minute, second, msec);
}

QString ToProperCase(const QString& Text) {
  QString result;
  result.reserve(Text.size());
  const qsizetype n = Text.size();
  bool upperNext = true;
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = Text[i];
    if (IsWordSeparator(c)) {
      result += c;
      upperNext = true;
    } else {
      result += upperNext ? c.toUpper() : c.toLower();
      upperNext = false;
    }
    // Mc prefixes and the roman numerals II and III at the end.
    if (result == u"Mc"_qs) upperNext = true;
    if (result.endsWith(u" Mc"_qs) && result.indexOf(u" Mc"_qs) == i - 2 && i >= 4) upperNext = true;
    if (i >= n - 3 && (result.endsWith(u" I"_qs) || result.endsWith(u" II"_qs))) upperNext = true;
  }
  return result;
}

QString RemoveAccents(const QString& Text) {
  const QString decomposed = Text.normalized(QString::NormalizationForm_D);
  QString kept;
  kept.reserve(decomposed.size());
  for (QChar c : decomposed)
    if (c.category() != QChar::Mark_NonSpacing) kept += c;
  return kept.normalized(QString::NormalizationForm_C);
}
