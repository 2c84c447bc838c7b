// The grid's text, number and date routines. Tables that read the locale's
// separators run under the en-US and fr-FR format settings (fr-FR groups
// digits with U+202F and writes dates day first); a row names the locale's
// separators with placeholders: D decimal, T thousand.

#include <gtest/gtest.h>

#include <QStringList>
#include <cmath>

#include "grid/model/KitGridUtils.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "tests/support/TestSupport.h"

namespace {

QString S(const char16_t* text) { return QString::fromUtf16(text); }

// The process-wide format settings of one locale for the length of a test.
class LocaleUtilsTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    FSaved = FormatSettings;
    FormatSettings = TFormatSettings::Create(QString::fromLatin1(GetParam()));
  }
  void TearDown() override { FormatSettings = FSaved; }

  bool French() const { return QByteArray(GetParam()) == "fr-FR"; }

  // D and T replaced by the locale's decimal and thousand separators.
  static QString Local(const char16_t* pattern) {
    QString text = S(pattern);
    for (QChar& c : text) {
      if (c == u'D') c = FormatSettings.DecimalSeparator;
      else if (c == u'T') c = FormatSettings.ThousandSeparator;
    }
    return text;
  }

 private:
  TFormatSettings FSaved;
};

class UtilsTest : public ::testing::Test {
 protected:
  void SetUp() override { FSaved = FormatSettings; }
  void TearDown() override { FormatSettings = FSaved; }

 private:
  TFormatSettings FSaved;
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Locales, LocaleUtilsTest, ::testing::Values("en-US", "fr-FR"),
                         [](const auto& info) { return QString::fromLatin1(info.param).remove(u'-').toStdString(); });

TEST_P(LocaleUtilsTest, NumberTextTypes) {
  const struct {
    const char16_t* Text;
    int Kind;
  } cases[] = {
      {u"123", 0},      {u"-12", 0},          {u"-", 0},           {u"1T234D5", 1},
      {u"1T234T567D8", 1}, {u"D5", 1},        {u"1T23T4", 2},      {u"1TT234", 2},
      {u"1D5e-3", 5},   {u"2E10", 5},         {u"e5", 2},          {u"1e", 2},
      {u"1e-", 2},      {u"1T5e3", 2},        {u"12/05/2020", 3},  {u"12/05", 2},
      {u"12//2020", 2}, {u"1/2/3/4", 2},      {u"12:30", 4},       {u"12:30:15", 4},
      {u"12::30", 2},   {u"abc", 2},          {u"1-2", 2},         {u"--1", 2},
      {u"1D2D3", 2},    {u"", 2},             {u"\u0663\u0664", 0},
  };
  for (const auto& c : cases) {
    const QString text = Local(c.Text);
    EXPECT_EQ(GetNumberTextType(text), c.Kind) << text.toStdString();
  }
  // Explicit separators do not depend on the locale for the number tests.
  EXPECT_EQ(GetNumberTextTypeSep(u"1,234.5"_qs, u'.', u','), 1);
  EXPECT_EQ(GetNumberTextTypeSep(u"1.234,5"_qs, u',', u'.'), 1);
}

TEST_P(LocaleUtilsTest, NumberTexts) {
  const struct {
    const char16_t* Text;
    const char16_t* Plain;
  } extracted[] = {
      {u"$1T234D50", u"1234.50"}, {u"(1T234D50)", u"-1234.50"}, {u"CHF -12", u"-12"}, {u"EUR 5", u"E"},
      {u"12 kg", u"12"},          {u"  7D5 % ", u"7.5"},        {u"-(3)", u"-3"},
      {u"x", u""},               {u"", u""},                   {u"1e3", u"1e3"},
  };
  for (const auto& c : extracted) {
    const QString text = Local(c.Text);
    EXPECT_EQ(ExtractFloatText(text), S(c.Plain)) << text.toStdString();
  }

  EXPECT_EQ(NumberTextToDot(Local(u"1T234D5")), u"1234.5"_qs);
  EXPECT_EQ(NumberTextToDot(Local(u"-12")), u"-12"_qs);
  EXPECT_EQ(NumberTextToDot(u"12/05/2020"_qs), u"12/05/2020"_qs);
  EXPECT_EQ(NumberTextToDot(u"abc"_qs), u"abc"_qs);
  // From the "." notation to the locale's, only where the locale differs.
  EXPECT_EQ(NumberTextFromDot(u"1234.5"_qs), French() ? u"1234,5"_qs : u"1234.5"_qs);
  EXPECT_EQ(NumberTextFromDot(u"a.b"_qs), u"a.b"_qs);

  // Character tests read the same separators.
  EXPECT_TRUE(IsNumberChar(FormatSettings.ThousandSeparator));
  EXPECT_TRUE(IsNumericKey(FormatSettings.DecimalSeparator));
  EXPECT_EQ(IsNumberChar(u','), true);  // decimal in fr-FR, thousands in en-US
  EXPECT_EQ(IsNumberChar(u'.'), !French());
  EXPECT_EQ(UtilShortDateFormat(), French() ? u"dd/MM/yyyy"_qs : u"M/d/yyyy"_qs);
}

TEST_P(LocaleUtilsTest, DatesInTheLocaleOrder) {
  // Written day first in fr-FR and month first in en-US.
  auto local = [&](const char16_t* dayFirst, const char16_t* monthFirst) {
    return S(French() ? dayFirst : monthFirst);
  };
  const struct {
    const char16_t* DayFirst;
    const char16_t* MonthFirst;
    bool Result;
    double Expected;  // 0: Value untouched
  } cases[] = {
      {u"31/12/2020 10:30", u"12/31/2020 10:30", true, EncodeDateTime(2020, 12, 31, 10, 30, 0, 0)},
      {u"31/12/2020", u"12/31/2020", true, EncodeDate(2020, 12, 31)},
      {u"31/12/2020  08:05:09 ", u"12/31/2020 08:05:09", true, EncodeDateTime(2020, 12, 31, 8, 5, 9, 0)},
      {u"31/12/2020 10", u"12/31/2020 10", false, EncodeDate(2020, 12, 31)},  // date stored
      {u"32/12/2020", u"12/32/2020", false, 0},
      {u"31/13/2020", u"13/31/2020", false, 0},
      {u"31/02/2020", u"02/31/2020", false, 0},
      {u"31/12/2020 24:00", u"12/31/2020 24:00", false, 0},
      {u"31/12/2020 10:60", u"12/31/2020 10:60", false, 0},
      {u"31/12/2020 10:30:60", u"12/31/2020 10:30:60", false, 0},
      {u"31/12/2020 10:x", u"12/31/2020 10:x", false, 0},
      {u"31/12", u"12/31", false, 0},
      {u"a/12/2020", u"a/31/2020", false, 0},
      {u"1/2/20", u"2/1/20", true, EncodeDate(20, 2, 1)},  // years as written
  };
  for (const auto& c : cases) {
    const QString text = local(c.DayFirst, c.MonthFirst);
    TDateTime value = 0;
    EXPECT_EQ(ParseDateByOrder(text, value), c.Result) << text.toStdString();
    EXPECT_DOUBLE_EQ(value, c.Expected) << text.toStdString();
  }
  EXPECT_TRUE(LooksLikeDate(u"1/2/3"_qs));
  EXPECT_FALSE(LooksLikeDate(u"1//3"_qs));
  EXPECT_FALSE(LooksLikeDate(u"/1/2"_qs));
  EXPECT_FALSE(LooksLikeDate(u"12/5"_qs));
}

TEST_F(UtilsTest, ShortDatesAndDateParts) {
  const struct {
    const char16_t* Text;
    TDateTime DMY;
    TDateTime MDY;
  } dates[] = {
      {u"15/01/20", EncodeDate(2020, 1, 15), 0},
      {u"15/01/99", EncodeDate(1999, 1, 15), 0},
      {u"15/01/25", EncodeDate(2025, 1, 15), 0},
      {u"15/01/26", EncodeDate(1926, 1, 15), 0},
      {u"15/01/2020", EncodeDate(2020, 1, 15), 0},
      {u"15.01.0020", EncodeDate(20, 1, 15), 0},  // a longer year as written
      {u"01-12-2020", EncodeDate(2020, 12, 1), EncodeDate(2020, 1, 12)},
      {u"15-01/2020", 0, 0},
      {u"15/01", 0, 0},
      {u"a/1/2020", 0, 0},
      {u"1/2/2020 10:00", 0, 0},
  };
  for (const auto& c : dates) {
    const QString text = S(c.Text);
    if (c.MDY == 0 && c.DMY != 0) {
      EXPECT_EQ(ParseShortDateDMY(text), c.DMY) << text.toStdString();
      EXPECT_THROW(ParseShortDateMDY(text), EConvertError) << text.toStdString();  // month 15
    } else {
      EXPECT_EQ(ParseShortDateDMY(text), c.DMY) << text.toStdString();
      EXPECT_EQ(ParseShortDateMDY(text), c.MDY) << text.toStdString();
    }
  }
  EXPECT_EQ(testsupport::MessageOf([] { ParseShortDateDMY(u"31/02/2020"_qs); }),
            u"EConvertError: Invalid argument to date encode"_qs);

  const TDateTime noon = EncodeDateTime(2020, 1, 31, 12, 0, 0, 0);
  const struct {
    int Years, Months, Days;
    double Default;
    TDateTime Date;
    TDateTime Expected;
  } parts[] = {
      {0, 0, 5, 7, noon, noon + 5},
      {1, 0, 0, 7, noon, EncodeDateTime(2021, 1, 31, 12, 0, 0, 0)},
      {0, -1, 0, 7, noon, EncodeDateTime(2019, 12, 31, 12, 0, 0, 0)},
      {0, 11, 0, 7, noon, EncodeDateTime(2020, 12, 31, 12, 0, 0, 0)},
      {0, 12, 0, 7, noon, EncodeDateTime(2021, 1, 31, 12, 0, 0, 0)},
      {0, 23, 0, 7, EncodeDate(2020, 1, 15), EncodeDate(2021, 12, 15)},
      {1, 1, 0, 7, noon, noon + 7},
      {0, 0, 0, 7, noon, noon + 7},
      {0, 0, 0, 0, noon, noon},
  };
  for (const auto& c : parts)
    EXPECT_EQ(IncDateParts(c.Years, c.Months, c.Days, c.Default, c.Date), c.Expected)
        << c.Years << "/" << c.Months << "/" << c.Days;
  // A day the target month lacks, and a month beyond the next year.
  EXPECT_THROW(IncDateParts(0, 1, 0, 0, noon), EConvertError);
  EXPECT_THROW(IncDateParts(0, 13, 0, 0, EncodeDate(2020, 12, 1)), EConvertError);
  EXPECT_THROW(IncDateParts(1, 0, 0, 0, EncodeDate(2020, 2, 29)), EConvertError);
}

TEST_F(UtilsTest, LimitsAndRanges) {
  const struct {
    int Value, Min, Max, Limited, Sized;
  } cases[] = {
      {5, 10, 3, 3, 3},    {-1, 0, 9, 0, -1},   {500, 20, 20, 20, 500},
      {5, 20, 0, 0, 20},   {500, 0, 300, 300, 300}, {50, 20, 300, 50, 50},
      {5, 0, 0, 0, 5},      {400, 500, 300, 300, 300},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LimitToRange(c.Value, c.Min, c.Max), c.Limited) << c.Value << " " << c.Min << " " << c.Max;
    EXPECT_EQ(ApplySizeLimits(c.Value, c.Min, c.Max), c.Sized) << c.Value << " " << c.Min << " " << c.Max;
  }
  TRect rect(1, 2, 3, 4);
  EXPECT_TRUE(PointInGridRect(rect, 1, 4));
  EXPECT_TRUE(PointInGridRect(rect, 3, 2));
  EXPECT_FALSE(PointInGridRect(rect, 4, 3));
  EXPECT_FALSE(PointInGridRect(rect, 2, 1));
}

TEST_F(UtilsTest, OneLineFormOfACell) {
  const struct {
    const char16_t* Text;
    const char16_t* Encoded;
    const char16_t* Multi;   // decoded with Multiline
    const char16_t* Single;  // decoded without
  } cases[] = {
      {u"a\r\nb", u"a\t\bb", u"a\r\nb", u"a"},
      {u"a\nb", u"a\nb", u"a\nb", u"a\nb"},           // no CR: left as it is
      {u"a\rb", u"a\tb", u"a\tb", u"a\tb"},           // CR without LF does not come back
      {u"x\ty\r\n", u"x\ty\t\b", u"x\ry\r\n", u"x"},  // a real tab comes back as CR
      {u"", u"", u"", u""},
  };
  for (const auto& c : cases) {
    const QString text = S(c.Text);
    EXPECT_EQ(EncodeLineBreaks(text), S(c.Encoded)) << text.toStdString();
    EXPECT_EQ(DecodeLineBreaks(S(c.Encoded), true), S(c.Multi)) << text.toStdString();
    EXPECT_EQ(DecodeLineBreaks(S(c.Encoded), false), S(c.Single)) << text.toStdString();
  }
  // NUL travels as #1 (built here: a table of C strings cannot hold it).
  const QString withNul = u"a\r\nb"_qs + QChar(0) + u"c"_qs;
  EXPECT_EQ(EncodeLineBreaks(withNul), u"a\t\bb"_qs + QChar(1) + u"c"_qs);
  EXPECT_EQ(DecodeLineBreaks(EncodeLineBreaks(withNul), true), withNul);

  const struct {
    const char16_t* Text;
    bool KeepRest;
    const char16_t* Line;
    const char16_t* Rest;
  } first[] = {
      {u"a\r\nb\r\nc", true, u"a", u"b\r\nc"}, {u"a\rb", true, u"a", u"b"},
      {u"a\r\n", true, u"a", u""},             {u"a\r\nb", false, u"a", u""},
      {u"abc", true, u"abc", u""},             {u"\r\n\nb", true, u"", u"\nb"},
  };
  for (const auto& c : first) {
    QString text = S(c.Text);
    QString line;
    ExtractFirstLine(text, c.KeepRest, line);
    EXPECT_EQ(line, S(c.Line)) << S(c.Text).toStdString();
    EXPECT_EQ(text, S(c.Rest)) << S(c.Text).toStdString();
  }

  const struct {
    const char16_t* Text;
    bool Multiline;
    int Lines;
  } counts[] = {
      {u"a\r\nb", true, 2}, {u"a\r\n", true, 1},  {u"a\r\nb\r\nc", true, 3},
      {u"a\r\nb", false, 1}, {u"", true, 1},       {u"\r\n\r\n", true, 2},
  };
  for (const auto& c : counts) EXPECT_EQ(CountLines(S(c.Text), c.Multiline), c.Lines) << S(c.Text).toStdString();
}

TEST_F(UtilsTest, LineBreakConversions) {
  const struct {
    const char* Name;
    QString (*Convert)(const QString&);
    const char16_t* Text;
    const char16_t* Result;
  } cases[] = {
      {"RemoveCRs", RemoveCRs, u"a\r\nb\rc", u"a\nbc"},
      {"CRToLF", CRToLF, u"a\r\nb", u"a\n\nb"},
      {"EscapeNewlines", EscapeNewlines, u"a\r\nb\nc", u"a\\nbc"},
      {"UnescapeNewlines", UnescapeNewlines, u"a\\nb\\", u"a\rb\\"},
      {"ReturnsToBrTags", ReturnsToBrTags, u"a\r\nb", u"a<br>\nb"},
      {"ReturnsToBrTags without CR", ReturnsToBrTags, u"a\nb", u"a\nb"},
      {"DoubleQuoteChars", DoubleQuoteChars, u"say \"hi\"", u"say \"\"hi\"\""},
      {"RemoveEnclosingQuotes", RemoveEnclosingQuotes, u"\"ab\"", u"ab"},
      {"RemoveEnclosingQuotes of two", RemoveEnclosingQuotes, u"\"\"", u"\"\""},
      {"WideCharsToEntities", WideCharsToEntities, u"a\u00e9\u20ac\U0001F600", u"a\u00e9&#8364;&#128512;"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.Convert(S(c.Text)), S(c.Result)) << c.Name;

  const struct {
    const char* Name;
    void (*Convert)(QString&);
    const char16_t* Text;
    const char16_t* Result;
  } inPlace[] = {
      {"QuoteMultiLineText", QuoteMultiLineText, u"a\r\nb", u"\"a\u000bb\""},
      {"VerticalTabsToCRLF", VerticalTabsToCRLF, u"a\u000bb", u"a\r\nb"},
      {"CRLFToLF", CRLFToLF, u"a\r\nb\rc", u"a\nb\rc"},
      {"LineBreaksToTilde", LineBreaksToTilde, u"a\r\nb\nc", u"a~bc"},
      {"TildeToLineBreaks", TildeToLineBreaks, u"a~b", u"a\r\nb"},
      {"TildeToLineBreaks of the empty mark", TildeToLineBreaks, u"^", u""},
      {"TildeToLineBreaks of a caret in text", TildeToLineBreaks, u"^~", u"^\r\n"},
  };
  for (const auto& c : inPlace) {
    QString text = S(c.Text);
    c.Convert(text);
    EXPECT_EQ(text, S(c.Result)) << c.Name;
  }
  QString password = u"secret"_qs;
  MaskText(password, u'*');
  EXPECT_EQ(password, u"******"_qs);

  EXPECT_EQ(CollapseDoubledChar(u'"', u"a\"\"b"_qs), u"a\"b"_qs);
  EXPECT_EQ(CollapseDoubledChar(u'"', u"\"\"\""_qs), u"\"\""_qs);
  EXPECT_EQ(CollapseDoubledChar(u'"', u"\"\"\"\""_qs), u"\"\""_qs);
  EXPECT_EQ(CollapseDoubledChar(u'"', u"abc"_qs), u"abc"_qs);
}

TEST_F(UtilsTest, QuotesAndSplitting) {
  const struct {
    const char16_t* Text;
    int Closing;
  } closing[] = {
      {u"a\"b", 2}, {u"a\"\"b\"c", 5}, {u"ab\"", 3}, {u"abc", 0}, {u"a\"\"", 3},
      {u"\"\"\"x", 3}, {u"", 0},
  };
  for (const auto& c : closing) {
    int pos = -1;
    EXPECT_EQ(FindClosingQuote(u'"', S(c.Text), pos), c.Closing) << S(c.Text).toStdString();
    EXPECT_EQ(pos, c.Closing);
  }

  const struct {
    const char16_t* Text;
    int Outside;
  } outside[] = {
      {u"a,\"b,c\",d", 2},
      {u"a,\"b,c", 2},                // left open: the comma inside counts too
      {u"a,'b,\"c',d", 2},            // the other quote is ordinary inside
      {u"a,'b,\"c,d", 3},
      {u",,", 2},
  };
  for (const auto& c : outside)
    EXPECT_EQ(CountCharOutsideQuotes(u',', S(c.Text)), c.Outside) << S(c.Text).toStdString();
  EXPECT_EQ(CountChar(u'a', u"banana"_qs), 3);
  EXPECT_EQ(CountCharDelim(u'a', u';', u"banana"_qs), 3);

  TStringList list;
  SplitToQuotedList(u","_qs, u"a,b c,"_qs, &list);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Text(), u"a\r\n\"b c\"\r\n\r\n"_qs);
  EXPECT_EQ(ConcatLines(&list), u"a\"b c\""_qs);

  QString text = u"a::b"_qs;
  QString part;
  CutBeforeSeparator(text, u"::"_qs, part);
  EXPECT_EQ(part, u"a"_qs);
  EXPECT_EQ(text, u":b"_qs);  // only Sep's first character leaves
  part = u"old"_qs;
  CutBeforeSeparator(text, u"="_qs, part);
  EXPECT_EQ(part, QString());
  EXPECT_EQ(text, u":b"_qs);

  int pos = 99;
  EXPECT_EQ(FindCharPos(u'z', u"abc"_qs, pos), 0);
  EXPECT_EQ(pos, 99);
  EXPECT_EQ(FindCharPos(u'c', u"abc"_qs, pos), 3);
  EXPECT_EQ(pos, 3);
  EXPECT_EQ(FindSubstring(u"bc"_qs, u"abc"_qs, pos), 2);
  EXPECT_EQ(FirstCharPos(u'x', u"abc"_qs), 0);
  EXPECT_EQ(UpperCasePos(u"<BLI"_qs, u"x<bli>"_qs), 2);

  const struct {
    const char16_t* Text;
    bool Ok;
    int Col, Row;
  } references[] = {
      {u"r12c3", true, 3, 12}, {u"R1C1", true, 1, 1}, {u"R12", false, 0, 0}, {u"RC3", false, 0, 0},
      {u"R1C", false, 0, 0},   {u"R1Cx", false, 0, 0}, {u"X1C1", false, 0, 0}, {u"R-1C2", false, 0, 0},
  };
  for (const auto& c : references) {
    TPoint point(-7, -7);
    EXPECT_EQ(ParseRCReference(S(c.Text), point), c.Ok) << S(c.Text).toStdString();
    if (c.Ok) EXPECT_EQ(point, TPoint(c.Col, c.Row));
    else EXPECT_EQ(point, TPoint(-7, -7));
  }
}

TEST_F(UtilsTest, CellTextKindsAndLinks) {
  const struct {
    const char16_t* Text;
    bool Html;
    int Kind;
  } kinds[] = {
      {u"", true, 0},
      {u"=A1+B1", true, 3},
      {u"=<b>x</b>", true, 1},
      {u"{\\rtf1 x}", true, 2},
      {u"<b>bold</b>", true, 1},
      {u"<b>bold</b>", false, 0},
      {u"<BR>", true, 1},
      {u"<img src=a>", true, 1},
      {u"a<b", true, 0},
      {u"see http://x.org", true, 4},
      {u"mail mailto:a@b", false, 4},
      {u"HTTP//x", true, 0},
  };
  for (const auto& c : kinds) EXPECT_EQ(GetCellTextKind(S(c.Text), c.Html), c.Kind) << S(c.Text).toStdString();
  // Wide-encoded text, unless its fourth character is "=" and its fifth NUL.
  EXPECT_EQ(GetCellTextKind(EncodeWideText(u"A"_qs), true), 5);
  EXPECT_EQ(GetCellTextKind(u"|\\x="_qs + QChar(0), true), 3);
  EXPECT_EQ(GetCellTextKind(u"|\\x="_qs, true), 5);

  QString dest = u"untouched"_qs;
  EXPECT_FALSE(LinkifyText(u"no link here"_qs, u"HTTP://"_qs, dest));
  EXPECT_EQ(dest, u"untouched"_qs);
  EXPECT_TRUE(LinkifyText(u"see Http://x.org/a?b=1&c=(2) now"_qs, u"HTTP://"_qs, dest));
  EXPECT_EQ(dest, u"see <a href=\"Http://x.org/a?b=1&c=(2)\">Http://x.org/a?b=1&c=(2)</a> now"_qs);
  EXPECT_TRUE(LinkifyText(u"1<2 www.x.org\u00e9"_qs, u"WWW."_qs, dest));
  EXPECT_EQ(dest, u"1&lt;2 <a href=\"www.x.org\">www.x.org</a>\u00e9"_qs);

  QString url = u"https://a.b/c://d"_qs;
  StripUrlScheme(url);
  EXPECT_EQ(url, u"a.b/c://d"_qs);
  url = u"mailto:a@b"_qs;
  StripUrlScheme(url);
  EXPECT_EQ(url, u"a@b"_qs);
  url = u"plain"_qs;
  StripUrlScheme(url);
  EXPECT_EQ(url, u"plain"_qs);

  EXPECT_EQ(ColorToHtmlHex(RGBToColor(255, 128, 0)), u"FF8000"_qs);
  EXPECT_EQ(ColorToHtmlHex(RGBToColor(1, 2, 3)), u"010203"_qs);

  const QString wide = EncodeWideText(u"A"_qs);
  EXPECT_EQ(wide, u"|\\"_qs + QChar(0) + u"A"_qs);
  EXPECT_EQ(DecodeWideText(wide), u"A"_qs);
  const QString mixed = u"\u03a9\u00e9\u20ac\U0001F600x"_qs;
  EXPECT_EQ(DecodeWideText(EncodeWideText(mixed)), mixed);
  EXPECT_EQ(DecodeWideText(wide + u"Z"_qs), u"A"_qs);  // an odd last character is ignored
  EXPECT_EQ(DecodeWideText(u"plain"_qs), u"plain"_qs);
}

TEST_F(UtilsTest, ProperCaseAndAccents) {
  const struct {
    const char16_t* Text;
    const char16_t* Proper;
  } proper[] = {
      {u"o'brien-smith", u"O'Brien-Smith"}, {u"mcdonald", u"McDonald"},
      {u"ronald mcdonald", u"Ronald McDonald"}, {u"henry iii", u"Henry III"},
      {u"JOHN SMITH", u"John Smith"}, {u"henry ii", u"Henry II"},
      {u"a mcb", u"A Mcb"},  // " Mc" must start at position 3 or later
      {u"the iliad", u"The Iliad"}, {u"\u00e9mile zola", u"\u00c9mile Zola"},
      {u"", u""},
  };
  for (const auto& c : proper) EXPECT_EQ(ToProperCase(S(c.Text)), S(c.Proper)) << S(c.Text).toStdString();

  const struct {
    const char16_t* Text;
    const char16_t* Plain;
  } accents[] = {
      {u"Cr\u00e8me br\u00fbl\u00e9e", u"Creme brulee"},
      {u"\u00c7a co\u00fbte 5\u20ac", u"Ca coute 5\u20ac"},
      {u"\u041f\u0440\u0438\u0432\u0435\u0442 \u0401\u043b\u043a\u0430",
       u"\u041f\u0440\u0438\u0432\u0435\u0442 \u0415\u043b\u043a\u0430"},  // Cyrillic kept, Yo folded
      {u"\u03ac\u03bb\u03c6\u03b1", u"\u03b1\u03bb\u03c6\u03b1"},
      {u"\u6771\u4eac \ud55c\uad6d", u"\u6771\u4eac \ud55c\uad6d"},  // CJK and Hangul stay whole
      {u"e\u0301", u"e"},
      {u"\u00f8\ufb01", u"\u00f8\ufb01"},
  };
  for (const auto& c : accents) EXPECT_EQ(RemoveAccents(S(c.Text)), S(c.Plain)) << S(c.Text).toStdString();
  // No length cap.
  const QString longText = QString(2999, u'a') + u"\u00e9"_qs;
  EXPECT_EQ(RemoveAccents(longText), QString(2999, u'a') + u"e"_qs);
}

TEST_F(UtilsTest, CharacterTests) {
  EXPECT_TRUE(IsDigitChar(u'7'));
  EXPECT_TRUE(IsDigitChar(QChar(0x0663)));  // Arabic-Indic three
  EXPECT_TRUE(IsDigitChar(QChar(0x00BD)));  // one half, an other number
  EXPECT_FALSE(IsDigitChar(u'a'));
  EXPECT_TRUE(IsDigitOrMinus(u'-'));
  EXPECT_TRUE(IsSignedNumberChar(u'+'));
  EXPECT_FALSE(IsNumberChar(u'+'));
  EXPECT_TRUE(IsScientificChar(u'.'));
  EXPECT_TRUE(IsNumericKey(QChar(27)));
  EXPECT_FALSE(IsNumericKey(u'+'));
  for (QChar c : u" ',-."_qs) EXPECT_TRUE(IsWordSeparator(c));
  EXPECT_FALSE(IsWordSeparator(u'_'));
}

TEST_F(UtilsTest, LongestLine) {
  TBitmap bitmap(10, 10);
  EXPECT_EQ(LongestLine(bitmap.Canvas(), u"ab\r\nwww\r\n\r\niii"_qs), u"www"_qs);
  EXPECT_EQ(LongestLine(bitmap.Canvas(), u"xx\r\nxx"_qs), u"xx"_qs);
  EXPECT_EQ(LongestLine(bitmap.Canvas(), QString()), QString());
}

TEST_F(UtilsTest, FormDpiScale) {
  struct Restore {
    ~Restore() { Screen->SetMonitorPixelsPerInch(0, 0); }
  } restore;
  TForm form(nullptr);
  form.SetBounds(10, 10, 200, 100);
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  Screen->SetMonitorPixelsPerInch(0, 144);
  EXPECT_DOUBLE_EQ(GetFormDpiScale(edit), 1.5);
  form.SetScaled(false);
  EXPECT_DOUBLE_EQ(GetFormDpiScale(edit), 1.0);
  TEdit alone(nullptr);
  EXPECT_DOUBLE_EQ(GetFormDpiScale(&alone), 1.0);
  EXPECT_DOUBLE_EQ(GetFormDpiScale(nullptr), 1.0);
}
