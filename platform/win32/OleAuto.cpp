// VarDateFromStr for United States English.

#include "platform/win32/OleAuto.h"

#include <QRegularExpression>
#include <QStringList>
#include <vector>

#include "platform/rtl/SysUtils.h"

namespace {

const char* const kMonths[12] = {"JANUARY", "FEBRUARY", "MARCH",     "APRIL",   "MAY",      "JUNE",
                                 "JULY",    "AUGUST",   "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};
const char* const kDays[7] = {"SUNDAY", "MONDAY", "TUESDAY", "WEDNESDAY", "THURSDAY", "FRIDAY", "SATURDAY"};

// 1..12 for a month name or its first three letters or more; 0 otherwise.
int MonthOf(const QString& Word) {
  if (Word.size() < 3) return 0;
  for (int m = 0; m < 12; ++m)
    if (QString::fromLatin1(kMonths[m]).startsWith(Word)) return m + 1;
  return 0;
}

bool IsDayName(const QString& Word) {
  if (Word.size() < 3) return false;
  for (const char* d : kDays)
    if (QString::fromLatin1(d).startsWith(Word)) return true;
  return false;
}

struct TNumber {
  int Value;
  int Digits;
};

int FullYear(const TNumber& Year) {
  if (Year.Digits <= 2) return Year.Value < 30 ? 2000 + Year.Value : 1900 + Year.Value;
  return Year.Value;
}

int CurrentYear() {
  Word y = 0, m = 0, d = 0;
  DecodeDate(Date(), y, m, d);
  return y;
}

bool ReadDate(const QString& Text, double& Value, bool& HasDate) {
  HasDate = false;
  int month = 0;
  std::vector<TNumber> numbers;
  static const QRegularExpression separators(QStringLiteral("[\\s/.,\\-]+"));
  for (const QString& token : Text.split(separators, Qt::SkipEmptyParts)) {
    bool ok = false;
    const int n = token.toInt(&ok);
    if (ok && token.size() <= 4) {
      numbers.push_back({n, int(token.size())});
    } else if (const int m = MonthOf(token); m != 0 && month == 0) {
      month = m;
    } else if (!IsDayName(token)) {
      return false;
    }
  }
  if (month == 0 && numbers.empty()) {
    Value = 0;
    return true;
  }
  HasDate = true;
  int y = 0, m = 0, d = 0;
  auto isYear = [](const TNumber& n) { return n.Digits > 2 || n.Value > 31; };
  if (month != 0) {
    m = month;
    if (numbers.size() == 1) {
      if (isYear(numbers[0])) {
        y = FullYear(numbers[0]);
        d = 1;
      } else {
        y = CurrentYear();
        d = numbers[0].Value;
      }
    } else if (numbers.size() == 2) {
      if (isYear(numbers[0])) {
        y = FullYear(numbers[0]);
        d = numbers[1].Value;
      } else {
        d = numbers[0].Value;
        y = FullYear(numbers[1]);
      }
    } else {
      return false;
    }
  } else if (numbers.size() == 3) {
    if (numbers[0].Digits > 2) {
      y = FullYear(numbers[0]);
      m = numbers[1].Value;
      d = numbers[2].Value;
    } else {
      m = numbers[0].Value;
      d = numbers[1].Value;
      y = FullYear(numbers[2]);
    }
  } else if (numbers.size() == 2) {
    m = numbers[0].Value;
    if (isYear(numbers[1])) {
      y = FullYear(numbers[1]);
      d = 1;
    } else {
      d = numbers[1].Value;
      y = CurrentYear();
    }
  } else {
    return false;
  }
  TDateTime date = 0;
  if (!TryEncodeDate(y, m, d, date)) return false;
  Value = date;
  return true;
}

}  // namespace

HRESULT VarDateFromStr(const QString& strIn, LCID, ULONG, double* pdateOut) {
  if (pdateOut == nullptr) return E_POINTER;
  QString text = strIn.trimmed().toUpper();
  if (text.isEmpty()) return DISP_E_TYPEMISMATCH;
  // The time: h:n[:s] with an optional AM/PM marker, or h AM/PM.
  static const QRegularExpression timePattern(QStringLiteral(
      "(?:^|\\s)(\\d{1,2})(?::(\\d{1,2})(?::(\\d{1,2}))?\\s*(AM|PM|A|P)?|\\s*(AM|PM))(?=\\s|$)"));
  double time = 0;
  bool hasTime = false;
  const QRegularExpressionMatch match = timePattern.match(text);
  if (match.hasMatch()) {
    int h = match.captured(1).toInt();
    const int n = match.captured(2).isEmpty() ? 0 : match.captured(2).toInt();
    const int s = match.captured(3).isEmpty() ? 0 : match.captured(3).toInt();
    const QString marker = match.captured(4).isEmpty() ? match.captured(5) : match.captured(4);
    if (!marker.isEmpty()) {
      if (h < 1 || h > 12) return DISP_E_TYPEMISMATCH;
      if (marker.startsWith(u'P') && h != 12) h += 12;
      if (marker.startsWith(u'A') && h == 12) h = 0;
    }
    TDateTime t = 0;
    if (!TryEncodeTime(h, n, s, 0, t)) return DISP_E_TYPEMISMATCH;
    time = t;
    hasTime = true;
    text.remove(match.capturedStart(0), match.capturedLength(0));
  }
  double date = 0;
  bool hasDate = false;
  if (!ReadDate(text, date, hasDate)) return DISP_E_TYPEMISMATCH;
  if (!hasTime && !hasDate) return DISP_E_TYPEMISMATCH;
  *pdateOut = date + time;
  return S_OK;
}
