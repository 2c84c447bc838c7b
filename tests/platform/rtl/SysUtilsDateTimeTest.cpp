// TDateTime arithmetic, FormatDateTime and the date and time readers.

#include <gtest/gtest.h>

#include <QDate>
#include <cmath>
#include <functional>
#include <limits>

#include "platform/rtl/SysUtils.h"
#include "tests/support/TestSupport.h"

namespace {

const TFormatSettings& De() { return testsupport::GermanSettings(); }
const TFormatSettings& Fr() { return testsupport::FrenchSettings(); }

QString Iso(TDateTime dt) { return FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", dt); }

}  // namespace

TEST(DateTimeTest, EncodeDateCountsDaysFrom1899December30) {
  struct Row {
    int Y, M, D;
    double Serial;
  };
  const Row rows[] = {{1899, 12, 30, 0},      {1899, 12, 31, 1},     {1900, 1, 1, 2},
                      {1899, 12, 29, -1},     {2000, 1, 1, 36526},   {2024, 2, 29, 45351},
                      {1, 1, 1, -693593},     {9999, 12, 31, 2958465}, {1600, 3, 1, -109511}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.Y << "-" << r.M << "-" << r.D);
    EXPECT_EQ(EncodeDate(r.Y, r.M, r.D), r.Serial);
    Word y, m, d;
    DecodeDate(r.Serial, y, m, d);
    EXPECT_EQ((std::tuple<int, int, int>(y, m, d)), std::make_tuple(r.Y, r.M, r.D));
  }
}

TEST(DateTimeTest, InvalidPartsRaiseTheEncodeErrors) {
  const int badDates[][3] = {{2023, 2, 29}, {1900, 2, 29}, {0, 1, 1},   {10000, 1, 1},
                             {2023, 13, 1}, {2023, 0, 1},  {2023, 4, 31}, {2023, 1, 0}};
  for (const auto& d : badDates) {
    SCOPED_TRACE(testing::Message() << d[0] << "-" << d[1] << "-" << d[2]);
    TDateTime out = 123;
    EXPECT_FALSE(TryEncodeDate(d[0], d[1], d[2], out));
    EXPECT_EQ(out, 123);
    EXPECT_EQ(testsupport::ErrorOf<EConvertError>([&] { EncodeDate(d[0], d[1], d[2]); }),
              "Invalid argument to date encode");
  }
  const int badTimes[][4] = {{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}, {-1, 0, 0, 0}};
  for (const auto& t : badTimes) {
    SCOPED_TRACE(testing::Message() << t[0] << ":" << t[1] << ":" << t[2] << "." << t[3]);
    TDateTime out;
    EXPECT_FALSE(TryEncodeTime(t[0], t[1], t[2], t[3], out));
    EXPECT_EQ(testsupport::ErrorOf<EConvertError>([&] { EncodeTime(t[0], t[1], t[2], t[3]); }),
              "Invalid argument to time encode");
  }
}

TEST(DateTimeTest, TimesAreFractionsOfADay) {
  EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
  EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
  const int times[][4] = {{0, 0, 0, 0}, {23, 59, 59, 999}, {13, 7, 9, 45}, {0, 0, 0, 1}};
  for (const auto& t : times) {
    Word h, n, s, ms;
    DecodeTime(EncodeTime(t[0], t[1], t[2], t[3]), h, n, s, ms);
    EXPECT_EQ((std::tuple<int, int, int, int>(h, n, s, ms)), std::make_tuple(t[0], t[1], t[2], t[3]));
  }
}

TEST(DateTimeTest, NegativeValuesKeepTheFractionAsTheTimeOfDay) {
  EXPECT_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);
  struct Row {
    double Value;
    const char* Text;
  };
  const Row rows[] = {{-1.25, "1899-12-29 06:00:00.000"},
                      {-0.5, "1899-12-30 12:00:00.000"},
                      {-2.75, "1899-12-28 18:00:00.000"},
                      {1.75, "1899-12-31 18:00:00.000"},
                      // A time that rounds to 24:00 moves on to the next day.
                      {EncodeDate(2020, 1, 1) + (86400000 - 0.4) / 86400000, "2020-01-02 00:00:00.000"},
                      {-1 - (86400000 - 0.4) / 86400000, "1899-12-30 00:00:00.000"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Text);
    EXPECT_EQ(Iso(r.Value), r.Text);
  }
}

TEST(DateTimeTest, ValuesOutsideTheCalendarDecodeToZeros) {
  for (double v : {-700000.0, 3000000.0, std::numeric_limits<double>::quiet_NaN(),
                   std::numeric_limits<double>::infinity()}) {
    Word y = 1, m = 1, d = 1, h = 1, n = 1, s = 1, ms = 1;
    DecodeDate(v, y, m, d);
    DecodeTime(v, h, n, s, ms);
    EXPECT_EQ(y + m + d + h + n + s + ms, 0) << v;
    EXPECT_EQ(DayOfWeek(v), 0) << v;
    EXPECT_FALSE(DateTimeToQDateTime(v).isValid()) << v;
  }
}

TEST(DateTimeTest, DayOfWeekStartsOnSunday) {
  const std::pair<double, int> rows[] = {{0, 7}, {1, 1}, {-1, 6}, {EncodeDate(2024, 1, 1), 2},
                                         {EncodeDate(2024, 3, 5) + 0.9, 3}};
  for (auto [value, day] : rows) EXPECT_EQ(DayOfWeek(value), day) << value;
}

TEST(DateTimeTest, LeapYears) {
  const std::pair<int, bool> rows[] = {{1900, false}, {2000, true}, {2024, true}, {2023, false}, {2100, false}};
  for (auto [year, leap] : rows) EXPECT_EQ(IsLeapYear(year), leap) << year;
}

TEST(DateTimeTest, IncMonthClampsTheDayAndKeepsTheTime) {
  struct Row {
    TDateTime From;
    int Months;
    const char* Want;
  };
  const Row rows[] = {
      {EncodeDate(2024, 1, 31), 1, "2024-02-29 00:00:00.000"},
      {EncodeDate(2023, 1, 31), 1, "2023-02-28 00:00:00.000"},
      {EncodeDate(2024, 3, 31), -1, "2024-02-29 00:00:00.000"},
      {EncodeDate(2024, 1, 15), -13, "2022-12-15 00:00:00.000"},
      {EncodeDate(2024, 12, 15), 1, "2025-01-15 00:00:00.000"},
      {EncodeDateTime(2024, 1, 31, 6, 30, 0, 0), 1, "2024-02-29 06:30:00.000"},
      {-1.25, 1, "1900-01-29 06:00:00.000"},
      {EncodeDateTime(1900, 1, 29, 6, 0, 0, 0), -1, "1899-12-29 06:00:00.000"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Want);
    EXPECT_EQ(Iso(IncMonth(r.From, r.Months)), r.Want);
  }
  EXPECT_EQ(IncMonth(-1.25, 1), EncodeDate(1900, 1, 29) + 0.25);
  EXPECT_EQ(testsupport::ErrorOf<EConvertError>([] { IncMonth(EncodeDate(9999, 12, 1), 1); }),
            "Invalid argument to date encode");
  EXPECT_EQ(testsupport::ErrorOf<EConvertError>([] { IncMonth(EncodeDate(1, 1, 31), -1); }),
            "Invalid argument to date encode");
}

TEST(DateTimeTest, QDateTimeBridgeUsesLocalTime) {
  const TDateTime dt = EncodeDateTime(2024, 5, 6, 7, 8, 9, 10);
  const QDateTime q = DateTimeToQDateTime(dt);
  EXPECT_EQ(q, QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9, 10)));
  EXPECT_EQ(q.timeSpec(), Qt::LocalTime);
  EXPECT_EQ(Iso(QDateTimeToDateTime(q)), Iso(dt));
  EXPECT_EQ(Iso(QDateTimeToDateTime(q.toUTC())), Iso(dt));
  EXPECT_EQ(DateTimeToQDateTime(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
  EXPECT_EQ(QDateTimeToDateTime(QDateTime(QDate(1899, 12, 29), QTime(6, 0))), -1.25);
  EXPECT_EQ(QDateTimeToDateTime(QDateTime()), 0);
}

TEST(DateTimeTest, NowDateAndTimeFollowTheClock) {
  const TDateTime now = Now();
  const TDateTime qtNow = QDateTimeToDateTime(QDateTime::currentDateTime());
  EXPECT_LT(std::fabs(qtNow - now) * 86400, 2.0);
  const TDateTime date = Date(), time = Time();
  EXPECT_EQ(date, std::trunc(date));
  EXPECT_LE(std::fabs(date - std::trunc(now)), 1.0);
  EXPECT_GE(time, 0.0);
  EXPECT_LT(time, 1.0);
}

TEST(FormatDateTimeTest, TokensInEnglish) {
  const TDateTime dt = EncodeDateTime(2024, 3, 5, 14, 7, 9, 45);  // a Tuesday
  const TDateTime dateOnly = EncodeDate(2024, 3, 5);
  struct Row {
    const char* Fmt;
    TDateTime Value;
    const char* Want;
  };
  const Row rows[] = {
      {"yyyy-mm-dd", dt, "2024-03-05"},
      {"d/m/yy", dt, "5/3/24"},
      {"dd mmm yyyy", dt, "05 Mar 2024"},
      {"dddd, mmmm d", dt, "Tuesday, March 5"},
      {"ddd", dt, "Tue"},
      {"YYYY.MM.DD", dt, "2024.03.05"},
      {"h:n:s", dt, "14:7:9"},
      {"hh:nn:ss.zzz", dt, "14:07:09.045"},
      {"z", dt, "45"},
      {"hh:mm", dt, "14:07"},  // m after h is the minute
      {"hh 'h' mm", dt, "14 h 07"},
      {"mm/dd hh", dt, "03/05 14"},
      {"h:mm am/pm", dt, "2:07 pm"},
      {"h:mm AM/PM", dt, "2:07 PM"},
      {"h a/p", dt, "2 p"},
      {"hh:nn ampm", dt, "02:07 PM"},
      {"h:nn am/pm", EncodeTime(0, 30, 0, 0), "12:30 am"},
      {"h:nn a/p", EncodeTime(12, 0, 0, 0), "12:00 p"},
      {"ddddd", dt, "3/5/2024"},
      {"dddddd", dt, "Tuesday, March 5, 2024"},
      {"c", dt, "3/5/2024 2:07:09 PM"},
      {"c", dateOnly, "3/5/2024"},
      {"t", dt, "2:07 PM"},
      {"tt", dt, "2:07:09 PM"},
      {"\"day\" d", dt, "day 5"},
      {"'unclosed d", dt, "unclosed d"},
      {"yyyy", EncodeDate(33, 1, 1), "0033"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Fmt);
    EXPECT_EQ(FormatDateTime(r.Fmt, r.Value), QString::fromUtf8(r.Want));
  }
  EXPECT_EQ(DateToStr(dt), "3/5/2024");
  EXPECT_EQ(TimeToStr(dt), "2:07:09 PM");
  EXPECT_EQ(DateTimeToStr(dt), "3/5/2024 2:07:09 PM");
  EXPECT_EQ(DateTimeToStr(dateOnly), "3/5/2024");
}

TEST(FormatDateTimeTest, TokensInGermanAndFrench) {
  const TDateTime dt = EncodeDateTime(2024, 3, 5, 14, 7, 9, 45);
  struct Row {
    const TFormatSettings* Fs;
    const char* Fmt;
    const char* Want;
  };
  const Row rows[] = {
      {&De(), "ddddd", "05.03.2024"},
      {&De(), "dddddd", "Dienstag, 5. März 2024"},
      {&De(), "dd/mm/yyyy", "05.03.2024"},  // "/" is the settings' date separator
      {&De(), "tt", "14:07:09"},
      {&De(), "c", "05.03.2024 14:07:09"},
      {&Fr(), "dddd d mmmm yyyy", "mardi 5 mars 2024"},
      {&Fr(), "ddddd t", "05/03/2024 14:07"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Fmt);
    EXPECT_EQ(FormatDateTime(r.Fmt, dt, *r.Fs), QString::fromUtf8(r.Want));
  }
  EXPECT_EQ(DateToStr(dt, De()), "05.03.2024");
  EXPECT_EQ(TimeToStr(dt, De()), "14:07:09");
  EXPECT_EQ(DateTimeToStr(dt, De()), "05.03.2024 14:07:09");
}

TEST(FormatDateTimeTest, SelfReferringSettingsStop) {
  TFormatSettings fs = TFormatSettings::Invariant();
  fs.ShortDateFormat = "ddddd";
  fs.LongTimeFormat = "c";
  // Ends, with nothing but the blanks between the nested date and time parts.
  EXPECT_EQ(FormatDateTime("c", EncodeDateTime(2024, 3, 5, 1, 0, 0, 0), fs).trimmed(), "");
  fs.ShortDateFormat = "ddddd yyyy";
  EXPECT_TRUE(FormatDateTime("ddddd", EncodeDate(2024, 3, 5), fs).endsWith("2024 2024 2024"));
}

TEST(StrToDateTest, ReadsTheOrderOfTheShortDateFormat) {
  TFormatSettings ymd = FormatSettings;
  ymd.ShortDateFormat = "yyyy-mm-dd";
  ymd.DateSeparator = u'-';
  const int thisYear = QDate::currentDate().year();
  struct Row {
    const TFormatSettings* Fs;
    const char* Text;
    TDateTime Want;
  };
  const Row rows[] = {
      {&FormatSettings, "3/5/2024", EncodeDate(2024, 3, 5)},
      {&FormatSettings, " 3 / 5 / 2024 ", EncodeDate(2024, 3, 5)},
      {&FormatSettings, "12/31/1999", EncodeDate(1999, 12, 31)},
      {&FormatSettings, "3/5", EncodeDate(thisYear, 3, 5)},
      {&FormatSettings, "2/29/2024", EncodeDate(2024, 2, 29)},
      {&FormatSettings, "1/1/0033", EncodeDate(33, 1, 1)},  // four digits: no window
      {&De(), "05.03.2024", EncodeDate(2024, 3, 5)},
      {&De(), "31.12.1999", EncodeDate(1999, 12, 31)},
      {&De(), "5.3", EncodeDate(thisYear, 3, 5)},
      {&Fr(), "05/03/2024", EncodeDate(2024, 3, 5)},
      {&ymd, "2024-03-05", EncodeDate(2024, 3, 5)},
      {&ymd, "3-5", EncodeDate(thisYear, 3, 5)},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Text);
    TDateTime got = -1;
    EXPECT_TRUE(TryStrToDate(r.Text, got, *r.Fs));
    EXPECT_EQ(got, r.Want);
    EXPECT_EQ(StrToDate(r.Text, *r.Fs), r.Want);
  }
  EXPECT_EQ(StrToDate("3/5/2024"), EncodeDate(2024, 3, 5));  // the global settings
}

TEST(StrToDateTest, TwoDigitYearsFallInTheCenturyWindow) {
  const int thisYear = QDate::currentDate().year();
  TFormatSettings fs = FormatSettings;
  for (int yy : {0, 1, 25, 49, 50, 51, 75, 99}) {
    SCOPED_TRACE(yy);
    fs.TwoDigitYearCenturyWindow = 50;
    Word y, m, d;
    DecodeDate(StrToDate(QString("1/2/%1").arg(yy), fs), y, m, d);
    EXPECT_EQ(y % 100, yy);
    EXPECT_GE(y, thisYear - 50);
    EXPECT_LE(y, thisYear + 49);
    fs.TwoDigitYearCenturyWindow = 0;  // the current century
    DecodeDate(StrToDate(QString("1/2/%1").arg(yy, 2, 10, QChar(u'0')), fs), y, m, d);
    EXPECT_EQ(y, thisYear / 100 * 100 + yy);
  }
}

TEST(StrToDateTest, RejectsWhatIsNoDate) {
  for (const char* text : {"", " ", "2/30/2024", "3-5-2024", "3/5/2024x", "3/5/", "13/1/2024", "3//5",
                           "3/5/2024/1", "a/b/c", "3/5/12345678901"}) {
    SCOPED_TRACE(text);
    TDateTime got = 7;
    EXPECT_FALSE(TryStrToDate(text, got));
    EXPECT_EQ(got, 7);
    EXPECT_EQ(testsupport::ErrorOf<EConvertError>([&] { StrToDate(text); }),
              QString("'%1' is not a valid date").arg(text));
  }
  TDateTime got;
  EXPECT_FALSE(TryStrToDate("3/5/2024", got, De()));
}

TEST(StrToTimeTest, HoursMinutesSecondsAndMarkers) {
  struct Row {
    const TFormatSettings* Fs;
    const char* Text;
    TDateTime Want;
  };
  const Row rows[] = {
      {&FormatSettings, "14:07", EncodeTime(14, 7, 0, 0)},
      {&FormatSettings, " 14:07:09 ", EncodeTime(14, 7, 9, 0)},
      {&FormatSettings, "2:07 PM", EncodeTime(14, 7, 0, 0)},
      {&FormatSettings, "2:07:09 pm", EncodeTime(14, 7, 9, 0)},
      {&FormatSettings, "12:00 AM", EncodeTime(0, 0, 0, 0)},
      {&FormatSettings, "12:30 PM", EncodeTime(12, 30, 0, 0)},
      {&FormatSettings, "10 PM", EncodeTime(22, 0, 0, 0)},
      {&FormatSettings, "AM 9:15", EncodeTime(9, 15, 0, 0)},
      {&FormatSettings, "14:07:09.5", EncodeTime(14, 7, 9, 500)},
      {&FormatSettings, "14:07:09.045", EncodeTime(14, 7, 9, 45)},
      {&FormatSettings, "14:07:09.0459", EncodeTime(14, 7, 9, 45)},
      {&De(), "14:07:09,5", EncodeTime(14, 7, 9, 500)},
      {&De(), "14:07", EncodeTime(14, 7, 0, 0)},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Text);
    TDateTime got = -1;
    EXPECT_TRUE(TryStrToTime(r.Text, got, *r.Fs));
    EXPECT_EQ(Iso(got), Iso(r.Want));
  }
  for (const char* text : {"", "25:00", "13:00 PM", "10", "10:60", "10:00:60", "10:", "AMPM 10:00", "10:00 XM"}) {
    SCOPED_TRACE(text);
    TDateTime got = 7;
    EXPECT_FALSE(TryStrToTime(text, got));
    EXPECT_EQ(got, 7);
    EXPECT_EQ(testsupport::ErrorOf<EConvertError>([&] { StrToTime(text); }),
              QString("'%1' is not a valid time").arg(text));
  }
}

TEST(StrToDateTimeTest, DateTimeOrEither) {
  struct Row {
    const TFormatSettings* Fs;
    const char* Text;
    TDateTime Want;
  };
  const Row rows[] = {
      {&FormatSettings, "3/5/2024 14:07", EncodeDateTime(2024, 3, 5, 14, 7, 0, 0)},
      {&FormatSettings, "3/5/2024 2:07:09 PM", EncodeDateTime(2024, 3, 5, 14, 7, 9, 0)},
      {&FormatSettings, "3/5/2024", EncodeDate(2024, 3, 5)},
      {&FormatSettings, "14:07", EncodeTime(14, 7, 0, 0)},
      {&FormatSettings, "12/29/1899 6:00", -1.25},
      {&De(), "05.03.2024 14:07:09", EncodeDateTime(2024, 3, 5, 14, 7, 9, 0)},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Text);
    EXPECT_EQ(StrToDateTime(r.Text, *r.Fs), r.Want);
  }
  for (const char* text : {"3/5/2024 x", "3/5/2024 25:00", "x", "3/5/2024 14:07 3/5/2024"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(testsupport::ErrorOf<EConvertError>([&] { StrToDateTime(text); }),
              QString("'%1' is not a valid date and time").arg(text));
  }
}

TEST(StrToDateTimeTest, ReadsWhatDateTimeToStrWrites) {
  const TDateTime values[] = {EncodeDateTime(2024, 3, 5, 14, 7, 9, 0), EncodeDateTime(1999, 12, 31, 0, 0, 1, 0),
                              EncodeDate(2024, 2, 29), EncodeDateTime(1899, 12, 29, 6, 0, 0, 0)};
  for (const TFormatSettings* fs : {static_cast<const TFormatSettings*>(&FormatSettings), &De(), &Fr()}) {
    for (TDateTime v : values) {
      const QString text = DateTimeToStr(v, *fs);
      SCOPED_TRACE(text.toStdString());
      EXPECT_EQ(StrToDateTime(text, *fs), v);
    }
  }
}
