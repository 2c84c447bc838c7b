// TFormatSettings built from Qt locales, and the pinned global.

#include <gtest/gtest.h>

#include "platform/rtl/SysUtils.h"
#include "tests/support/TestSupport.h"

namespace {

// The fields that differ between locales, flattened for one comparison.
struct SettingsView {
  QChar Decimal, Thousand;
  QString Currency;
  int CurrencyFormat, NegCurrFormat, CurrencyDecimals;
  QChar DateSep, TimeSep;
  QString ShortDate, LongDate, ShortTime, LongTime, Am, Pm;
  QString March, ShortMarch, Sunday, ShortSunday;
  QChar List;

  bool operator==(const SettingsView&) const = default;
};

SettingsView ViewOf(const TFormatSettings& fs) {
  return {fs.DecimalSeparator, fs.ThousandSeparator, fs.CurrencyString,   fs.CurrencyFormat,
          fs.NegCurrFormat,    fs.CurrencyDecimals,  fs.DateSeparator,    fs.TimeSeparator,
          fs.ShortDateFormat,  fs.LongDateFormat,    fs.ShortTimeFormat,  fs.LongTimeFormat,
          fs.TimeAMString,     fs.TimePMString,      fs.LongMonthNames[2], fs.ShortMonthNames[2],
          fs.LongDayNames[0],  fs.ShortDayNames[0],  fs.ListSeparator};
}

void PrintTo(const SettingsView& v, std::ostream* os) {
  *os << QStringList{v.Decimal, v.Thousand, v.Currency, QString::number(v.CurrencyFormat),
                     QString::number(v.NegCurrFormat), QString::number(v.CurrencyDecimals), v.DateSep,
                     v.TimeSep, v.ShortDate, v.LongDate, v.ShortTime, v.LongTime, v.Am, v.Pm, v.March,
                     v.ShortMarch, v.Sunday, v.ShortSunday, v.List}
             .join(u'|')
             .toStdString();
}

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

TEST(FormatSettingsTest, LocalesGiveTheirSeparatorsPatternsAndNames) {
  struct Row {
    const char* Locale;
    SettingsView Want;
  };
  const Row rows[] = {
      {"en-US",
       {u'.', u',', "$", 0, 0, 2, u'/', u':', "M/d/yyyy", "dddd, MMMM d, yyyy", "h:mm AMPM", "h:mm:ss AMPM",
        "AM", "PM", "March", "Mar", "Sunday", "Sun", u','}},
      {"de-DE",
       {u',', u'.', U("€"), 3, 8, 2, u'.', u':', "dd.MM.yyyy", "dddd, d. MMMM yyyy", "hh:mm", "hh:mm:ss",
        "AM", "PM", U("März"), U("März"), "Sonntag", "So.", u';'}},
      {"fr-FR",
       {u',', QChar(0x202F), U("€"), 3, 15, 2, u'/', u':', "dd/MM/yyyy", "dddd d MMMM yyyy", "hh:mm",
        "hh:mm:ss", "AM", "PM", "mars", "mars", "dimanche", "dim.", u';'}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Locale);
    EXPECT_EQ(ViewOf(TFormatSettings::Create(r.Locale)), r.Want);
  }
}

TEST(FormatSettingsTest, InvariantAndUnknownLocales) {
  const SettingsView invariant = {u'.', u',', QString(QChar(0x00A4)), 0, 0, 2, u'/', u':', "MM/dd/yyyy",
                                  "dddd, dd MMMM yyyy", "HH:mm", "HH:mm:ss", "AM", "PM", "March", "Mar",
                                  "Sunday", "Sun", u','};
  EXPECT_EQ(ViewOf(TFormatSettings::Invariant()), invariant);
  EXPECT_EQ(ViewOf(TFormatSettings::Create("xx-YY")), invariant);
  EXPECT_EQ(ViewOf(TFormatSettings::Create("C")), invariant);
  EXPECT_EQ(TFormatSettings::Invariant().TwoDigitYearCenturyWindow, 50);
  EXPECT_EQ(ViewOf(TFormatSettings::Create("")), ViewOf(TFormatSettings::Create()));
}

TEST(FormatSettingsTest, TheTestMainPinsEnglishUnitedStates) {
  EXPECT_EQ(ViewOf(FormatSettings), ViewOf(TFormatSettings::Create("en-US")));
  EXPECT_EQ(FormatSettings.LongMonthNames[11], "December");
  EXPECT_EQ(FormatSettings.ShortDayNames[6], "Sat");
}
