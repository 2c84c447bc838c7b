// TDateTime arithmetic, FormatDateTime and the date and time readers.

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <algorithm>
#include <cmath>

#include "platform/rtl/SysUtils.h"

namespace {

constexpr int64_t kMSecsPerDay = 86400000;
constexpr int64_t kMinDay = -693593;   // 0001-01-01
constexpr int64_t kMaxDay = 2958465;   // 9999-12-31
constexpr int64_t kUnixEpochDay = 25569;  // 1970-01-01

// Day numbers count from 1899-12-30 in the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + kUnixEpochDay;
}

void CivilFromDays(int64_t days, int& year, int& month, int& day) {
  const int64_t z = days - kUnixEpochDay + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

int DaysInMonth(int year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// A TDateTime as a whole day number and the milliseconds of its time, the
// time rounded to the millisecond (a time that rounds to 24:00 moves on to
// the next day). False for values outside the calendar.
bool SplitDateTime(TDateTime value, int64_t& days, int64_t& msecs) {
  if (!(value > kMinDay - 1.0 && value < kMaxDay + 1.0)) return false;
  const double whole = std::trunc(value);
  days = static_cast<int64_t>(whole);
  msecs = std::llround(std::fabs(value - whole) * kMSecsPerDay);
  if (msecs >= kMSecsPerDay) {
    msecs -= kMSecsPerDay;
    ++days;
  }
  return days >= kMinDay && days <= kMaxDay;
}

TDateTime ComposeDateTime(TDateTime date, TDateTime time) { return date < 0 ? date - time : date + time; }

struct TParts {
  int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0, MSec = 0, DayOfWeek = 0;
};

int DayOfWeekOf(int64_t days) { return static_cast<int>(((days % 7) + 7 + 6) % 7) + 1; }

TParts PartsOf(TDateTime value) {
  TParts p;
  int64_t days, msecs;
  if (!SplitDateTime(value, days, msecs)) return p;
  CivilFromDays(days, p.Year, p.Month, p.Day);
  p.Hour = static_cast<int>(msecs / 3600000);
  p.Minute = static_cast<int>(msecs / 60000 % 60);
  p.Second = static_cast<int>(msecs / 1000 % 60);
  p.MSec = static_cast<int>(msecs % 1000);
  p.DayOfWeek = DayOfWeekOf(days);
  return p;
}

}  // namespace

// ---------------------------------------------------------------------------
// Encoding and decoding

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
    return false;
  date = static_cast<TDateTime>(DaysFromCivil(year, month, day));
  return true;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time) {
  if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999)
    return false;
  time = static_cast<TDateTime>(((hour * 60 + min) * 60 + sec) * 1000 + msec) / kMSecsPerDay;
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime d;
  if (!TryEncodeDate(year, month, day, d)) throw EConvertError(QString::fromLatin1(RtlConsts::SDateEncodeError));
  return d;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
  TDateTime t;
  if (!TryEncodeTime(hour, min, sec, msec, t)) throw EConvertError(QString::fromLatin1(RtlConsts::STimeEncodeError));
  return t;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec) {
  return ComposeDateTime(EncodeDate(year, month, day), EncodeTime(hour, min, sec, msec));
}

void DecodeDate(TDateTime date, Word& year, Word& month, Word& day) {
  const TParts p = PartsOf(date);
  year = static_cast<Word>(p.Year);
  month = static_cast<Word>(p.Month);
  day = static_cast<Word>(p.Day);
}

void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec) {
  const TParts p = PartsOf(time);
  hour = static_cast<Word>(p.Hour);
  min = static_cast<Word>(p.Minute);
  sec = static_cast<Word>(p.Second);
  msec = static_cast<Word>(p.MSec);
}

TDateTime Now() { return QDateTimeToDateTime(QDateTime::currentDateTime()); }
TDateTime Date() { return std::trunc(Now()); }
TDateTime Time() { const TDateTime n = Now(); return n - std::trunc(n); }

int DayOfWeek(TDateTime date) { return PartsOf(date).DayOfWeek; }

TDateTime IncMonth(TDateTime date, int numberOfMonths) {
  if (!(date > kMinDay - 1.0 && date < kMaxDay + 1.0)) throw EConvertError(QString::fromLatin1(RtlConsts::SDateEncodeError));
  const double whole = std::trunc(date);
  int year, month, day;
  CivilFromDays(static_cast<int64_t>(whole), year, month, day);
  const int64_t total = int64_t{year} * 12 + (month - 1) + numberOfMonths;
  const int64_t newYear = total >= 0 ? total / 12 : -((-total + 11) / 12);
  const int newMonth = static_cast<int>(total - newYear * 12) + 1;
  if (newYear < 1 || newYear > 9999) throw EConvertError(QString::fromLatin1(RtlConsts::SDateEncodeError));
  const int y = static_cast<int>(newYear);
  const TDateTime newDate = EncodeDate(y, newMonth, std::min(day, DaysInMonth(y, newMonth)));
  return ComposeDateTime(newDate, std::fabs(date - whole));
}

QDateTime DateTimeToQDateTime(TDateTime value) {
  int64_t days, msecs;
  if (!SplitDateTime(value, days, msecs)) return {};
  int y, m, d;
  CivilFromDays(days, y, m, d);
  return QDateTime(QDate(y, m, d), QTime::fromMSecsSinceStartOfDay(static_cast<int>(msecs)), Qt::LocalTime);
}

TDateTime QDateTimeToDateTime(const QDateTime& value) {
  if (!value.isValid()) return 0;
  const QDateTime local = value.toLocalTime();
  const QDate d = local.date();
  TDateTime date;
  if (!TryEncodeDate(d.year(), d.month(), d.day(), date))
    throw EConvertError(QString::fromLatin1(RtlConsts::SDateEncodeError));
  return ComposeDateTime(date, static_cast<TDateTime>(local.time().msecsSinceStartOfDay()) / kMSecsPerDay);
}

// ---------------------------------------------------------------------------
// FormatDateTime

namespace {

char16_t LowerAscii(QChar c) {
  const char16_t u = c.unicode();
  return u >= u'A' && u <= u'Z' ? u + 32 : u;
}

bool MatchesAt(QStringView fmt, qsizetype i, QStringView word) {
  return fmt.mid(i, word.size()).compare(word, Qt::CaseInsensitive) == 0 && i + word.size() <= fmt.size();
}

// Whether the format has an AM/PM specifier outside quoted text, which puts
// its hours on the 12-hour clock.
bool HasAmPm(QStringView fmt) {
  for (qsizetype i = 0; i < fmt.size(); ++i) {
    const QChar c = fmt[i];
    if (c == u'"' || c == u'\'') {
      const qsizetype end = fmt.indexOf(c, i + 1);
      if (end < 0) return false;
      i = end;
    } else if (LowerAscii(c) == u'a' &&
               (MatchesAt(fmt, i, u"am/pm") || MatchesAt(fmt, i, u"a/p") || MatchesAt(fmt, i, u"ampm"))) {
      return true;
    }
  }
  return false;
}

QString TwoDigits(int v) { return QString::number(v).rightJustified(2, u'0'); }

QString NameAt(const QString* names, int count, int index) {
  return index >= 1 && index <= count ? names[index - 1] : QString();
}

class TDateTimeFormatter {
 public:
  TDateTimeFormatter(TDateTime value, const TFormatSettings& fs) : FParts(PartsOf(value)), FSettings(fs) {}

  void Append(QString& out, QStringView fmt, int depth) {
    // Nested formats (c, ddddd, t ...) may not refer to each other forever.
    if (depth > 3) return;
    const bool twelveHour = HasAmPm(fmt);
    const TParts& p = FParts;
    bool afterHour = false;
    const qsizetype n = fmt.size();
    qsizetype i = 0;
    while (i < n) {
      const QChar c = fmt[i];
      const char16_t lc = LowerAscii(c);
      if (c == u'"' || c == u'\'') {
        qsizetype end = fmt.indexOf(c, i + 1);
        if (end < 0) end = n;
        out += fmt.mid(i + 1, end - i - 1);
        i = end + 1;
        continue;
      }
      qsizetype run = 1;
      if (lc >= u'a' && lc <= u'z')
        while (i + run < n && LowerAscii(fmt[i + run]) == lc) ++run;
      bool hourToken = false;
      switch (lc) {
        case u'c':
          run = 1;
          Append(out, FSettings.ShortDateFormat, depth + 1);
          if (p.Hour || p.Minute || p.Second || p.MSec) {
            out += u' ';
            Append(out, FSettings.LongTimeFormat, depth + 1);
          }
          break;
        case u'd':
          switch (run) {
            case 1: out += QString::number(p.Day); break;
            case 2: out += TwoDigits(p.Day); break;
            case 3: out += NameAt(FSettings.ShortDayNames, 7, p.DayOfWeek); break;
            case 4: out += NameAt(FSettings.LongDayNames, 7, p.DayOfWeek); break;
            case 5: Append(out, FSettings.ShortDateFormat, depth + 1); break;
            default: run = 6; Append(out, FSettings.LongDateFormat, depth + 1); break;
          }
          break;
        case u'm':
          if (afterHour && run <= 2) {
            out += run == 1 ? QString::number(p.Minute) : TwoDigits(p.Minute);
          } else {
            switch (run) {
              case 1: out += QString::number(p.Month); break;
              case 2: out += TwoDigits(p.Month); break;
              case 3: out += NameAt(FSettings.ShortMonthNames, 12, p.Month); break;
              default: run = 4; out += NameAt(FSettings.LongMonthNames, 12, p.Month); break;
            }
          }
          break;
        case u'y':
          out += run <= 2 ? TwoDigits(p.Year % 100) : QString::number(p.Year).rightJustified(4, u'0');
          break;
        case u'h': {
          int hour = p.Hour;
          if (twelveHour) {
            hour %= 12;
            if (hour == 0) hour = 12;
          }
          if (run > 2) run = 2;
          out += run == 1 ? QString::number(hour) : TwoDigits(hour);
          hourToken = true;
          break;
        }
        case u'n':
          if (run > 2) run = 2;
          out += run == 1 ? QString::number(p.Minute) : TwoDigits(p.Minute);
          break;
        case u's':
          if (run > 2) run = 2;
          out += run == 1 ? QString::number(p.Second) : TwoDigits(p.Second);
          break;
        case u'z':
          if (run > 3) run = 3;
          out += run < 3 ? QString::number(p.MSec) : QString::number(p.MSec).rightJustified(3, u'0');
          break;
        case u't':
          if (run > 2) run = 2;
          Append(out, run == 1 ? FSettings.ShortTimeFormat : FSettings.LongTimeFormat, depth + 1);
          break;
        case u'a':
          // The marker keeps the letter case written in the format.
          if (MatchesAt(fmt, i, u"am/pm")) {
            run = 5;
            out += p.Hour < 12 ? fmt.mid(i, 2) : fmt.mid(i + 3, 2);
          } else if (MatchesAt(fmt, i, u"a/p")) {
            run = 3;
            out += p.Hour < 12 ? fmt[i] : fmt[i + 2];
          } else if (MatchesAt(fmt, i, u"ampm")) {
            run = 4;
            out += p.Hour < 12 ? FSettings.TimeAMString : FSettings.TimePMString;
          } else {
            run = 1;
            out += c;
          }
          hourToken = afterHour;  // "h AM/PM" keeps a following "m" as minutes
          break;
        case u'/':
          out += FSettings.DateSeparator;
          hourToken = afterHour;
          break;
        case u':':
          out += FSettings.TimeSeparator;
          hourToken = afterHour;
          break;
        default:
          run = 1;
          out += c;
          hourToken = afterHour;  // literal text between "h" and "m" keeps minutes
          break;
      }
      afterHour = hourToken;
      i += run;
    }
  }

 private:
  TParts FParts;
  const TFormatSettings& FSettings;
};

}  // namespace

QString FormatDateTime(const QString& fmt, TDateTime value, const TFormatSettings& settings) {
  QString out;
  TDateTimeFormatter(value, settings).Append(out, fmt, 0);
  return out;
}

QString FormatDateTime(const QString& fmt, TDateTime value) { return FormatDateTime(fmt, value, FormatSettings); }

QString DateToStr(TDateTime value, const TFormatSettings& settings) {
  return FormatDateTime(settings.ShortDateFormat, value, settings);
}
QString DateToStr(TDateTime value) { return DateToStr(value, FormatSettings); }

QString TimeToStr(TDateTime value, const TFormatSettings& settings) {
  return FormatDateTime(settings.LongTimeFormat, value, settings);
}
QString TimeToStr(TDateTime value) { return TimeToStr(value, FormatSettings); }

QString DateTimeToStr(TDateTime value, const TFormatSettings& settings) {
  return FormatDateTime(QStringLiteral("c"), value, settings);
}
QString DateTimeToStr(TDateTime value) { return DateTimeToStr(value, FormatSettings); }

// ---------------------------------------------------------------------------
// Reading dates and times

namespace {

class TScanner {
 public:
  TScanner(const QString& s, const TFormatSettings& fs) : FText(s), FSettings(fs) {}

  void SkipBlanks() {
    while (FPos < FText.size() && FText[FPos] == u' ') ++FPos;
  }
  bool AtEnd() {
    SkipBlanks();
    return FPos == FText.size();
  }
  qsizetype Position() const { return FPos; }
  void SetPosition(qsizetype pos) { FPos = pos; }

  // Up to nine ASCII digits.
  bool Number(int& value, int& digits) {
    SkipBlanks();
    value = 0;
    digits = 0;
    while (FPos < FText.size() && FText[FPos] >= u'0' && FText[FPos] <= u'9') {
      if (++digits > 9) return false;
      value = value * 10 + (FText[FPos++].unicode() - u'0');
    }
    return digits > 0;
  }

  bool Char(QChar c) {
    SkipBlanks();
    if (c.isNull() || FPos >= FText.size() || FText[FPos] != c) return false;
    ++FPos;
    return true;
  }

  // Reads an AM or PM marker: the settings' strings or plain AM/PM.
  // Returns 0 for AM, 1 for PM, -1 when there is none.
  int AmPm() {
    SkipBlanks();
    const QString* words[] = {&FSettings.TimeAMString, &FSettings.TimePMString};
    static const QString kAm = QStringLiteral("AM"), kPm = QStringLiteral("PM");
    const QString* english[] = {&kAm, &kPm};
    for (const auto* set : {words, english}) {
      for (int k = 0; k < 2; ++k) {
        const QString& w = *set[k];
        if (w.isEmpty() || !MatchesAt(FText, FPos, w)) continue;
        const qsizetype after = FPos + w.size();
        if (after < FText.size() && FText[after].isLetter()) continue;
        FPos = after;
        return k;
      }
    }
    return -1;
  }

  const TFormatSettings& Settings() const { return FSettings; }

 private:
  const QString& FText;
  const TFormatSettings& FSettings;
  qsizetype FPos = 0;
};

enum TDateOrder { doMDY, doDMY, doYMD };

TDateOrder DateOrderOf(const QString& fmt) {
  for (qsizetype i = 0; i < fmt.size(); ++i) {
    const QChar c = fmt[i];
    if (c == u'"' || c == u'\'') {
      const qsizetype end = fmt.indexOf(c, i + 1);
      if (end < 0) break;
      i = end;
      continue;
    }
    switch (LowerAscii(c)) {
      case u'd': return doDMY;
      case u'm': return doMDY;
      case u'y': return doYMD;
      default: break;
    }
  }
  return doMDY;
}

// Puts a year written with one or two digits into the window of 100 years
// that starts TwoDigitYearCenturyWindow years before the current year
// (a window of 0 means the current century).
int ExpandYear(int year, const TFormatSettings& fs) {
  int start = QDate::currentDate().year() - fs.TwoDigitYearCenturyWindow;
  year += start / 100 * 100;
  if (fs.TwoDigitYearCenturyWindow > 0 && year < start) year += 100;
  return year;
}

bool ScanDate(TScanner& sc, TDateTime& date) {
  const TFormatSettings& fs = sc.Settings();
  int n1, l1, n2, l2, n3 = 0, l3 = 0;
  if (!sc.Number(n1, l1) || !sc.Char(fs.DateSeparator) || !sc.Number(n2, l2)) return false;
  bool three = false;
  if (sc.Char(fs.DateSeparator)) {
    if (!sc.Number(n3, l3)) return false;
    three = true;
  }
  int year, month, day, yearDigits = 4;
  const TDateOrder order = DateOrderOf(fs.ShortDateFormat);
  if (!three) {
    year = QDate::currentDate().year();
    if (order == doDMY) day = n1, month = n2;
    else month = n1, day = n2;
  } else {
    switch (order) {
      case doDMY: day = n1, month = n2, year = n3, yearDigits = l3; break;
      case doYMD: year = n1, yearDigits = l1, month = n2, day = n3; break;
      default: month = n1, day = n2, year = n3, yearDigits = l3; break;
    }
  }
  if (yearDigits <= 2) year = ExpandYear(year, fs);
  return TryEncodeDate(year, month, day, date);
}

bool ScanTime(TScanner& sc, TDateTime& time) {
  const TFormatSettings& fs = sc.Settings();
  int ampm = sc.AmPm();
  int hour, min = 0, sec = 0, msec = 0, digits;
  if (!sc.Number(hour, digits)) return false;
  bool haveMinutes = false;
  if (sc.Char(fs.TimeSeparator)) {
    if (!sc.Number(min, digits)) return false;
    haveMinutes = true;
    if (sc.Char(fs.TimeSeparator)) {
      if (!sc.Number(sec, digits)) return false;
      const qsizetype save = sc.Position();
      if (sc.Char(fs.DecimalSeparator)) {
        // A fraction of a second: ".5" is 500 ms; digits past the
        // millisecond are dropped.
        int fraction;
        if (!sc.Number(fraction, digits)) {
          sc.SetPosition(save);
        } else {
          while (digits > 3) fraction /= 10, --digits;
          while (digits < 3) fraction *= 10, ++digits;
          msec = fraction;
        }
      }
    }
  }
  if (ampm < 0) ampm = sc.AmPm();
  if (!haveMinutes && ampm < 0) return false;
  if (ampm >= 0) {
    if (hour > 12) return false;
    if (hour == 12) hour = 0;
    if (ampm == 1) hour += 12;
  }
  return TryEncodeTime(hour, min, sec, msec, time);
}

[[noreturn]] void RaiseConvert(const char* message, const QString& s) {
  throw EConvertError(Format(message, {s}));
}

}  // namespace

bool TryStrToDate(const QString& s, TDateTime& value, const TFormatSettings& settings) {
  TScanner sc(s, settings);
  TDateTime d;
  if (!ScanDate(sc, d) || !sc.AtEnd()) return false;
  value = d;
  return true;
}

bool TryStrToTime(const QString& s, TDateTime& value, const TFormatSettings& settings) {
  TScanner sc(s, settings);
  TDateTime t;
  if (!ScanTime(sc, t) || !sc.AtEnd()) return false;
  value = t;
  return true;
}

bool TryStrToDateTime(const QString& s, TDateTime& value, const TFormatSettings& settings) {
  TScanner sc(s, settings);
  TDateTime d, t;
  if (ScanDate(sc, d)) {
    if (sc.AtEnd()) {
      value = d;
      return true;
    }
    if (!ScanTime(sc, t) || !sc.AtEnd()) return false;
    value = ComposeDateTime(d, t);
    return true;
  }
  return TryStrToTime(s, value, settings);
}

bool TryStrToDate(const QString& s, TDateTime& value) { return TryStrToDate(s, value, FormatSettings); }
bool TryStrToTime(const QString& s, TDateTime& value) { return TryStrToTime(s, value, FormatSettings); }
bool TryStrToDateTime(const QString& s, TDateTime& value) { return TryStrToDateTime(s, value, FormatSettings); }

TDateTime StrToDate(const QString& s, const TFormatSettings& settings) {
  TDateTime v;
  if (!TryStrToDate(s, v, settings)) RaiseConvert(RtlConsts::SInvalidDate, s);
  return v;
}

TDateTime StrToTime(const QString& s, const TFormatSettings& settings) {
  TDateTime v;
  if (!TryStrToTime(s, v, settings)) RaiseConvert(RtlConsts::SInvalidTime, s);
  return v;
}

TDateTime StrToDateTime(const QString& s, const TFormatSettings& settings) {
  TDateTime v;
  if (!TryStrToDateTime(s, v, settings)) RaiseConvert(RtlConsts::SInvalidDateTime, s);
  return v;
}

TDateTime StrToDate(const QString& s) { return StrToDate(s, FormatSettings); }
TDateTime StrToTime(const QString& s) { return StrToTime(s, FormatSettings); }
TDateTime StrToDateTime(const QString& s) { return StrToDateTime(s, FormatSettings); }
