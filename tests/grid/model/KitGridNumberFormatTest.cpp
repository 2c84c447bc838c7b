// Spreadsheet number formats: a table of (format, value, text) cases in the
// English settings, the section choice and its minus sign, the French
// separators, text and other value kinds, and the grid's cells shown under
// such formats. The comparison with LibreOffice lives in the interop tests;
// these cases hold where it is absent.

#include <gtest/gtest.h>

#include <QDate>
#include <QVariant>
#include <cmath>
#include <limits>

#include "grid/model/KitGrid.h"
#include "grid/model/KitGridNumberFormat.h"
#include "platform/rtl/SysUtils.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

const QString k19 = QString(19, u'#');

const TFormatSettings& English() {
  static const TFormatSettings s = TFormatSettings::Create("en-US");
  return s;
}

struct TCase {
  const char* Format;
  double Value;
  const char16_t* Expected;
};

// 2024-03-05 14:07:09 is 45356.588298611...
const double kDate = 45356.0 + (14 * 3600 + 7 * 60 + 9) / 86400.0;

const TCase kCases[] = {
    // Sections, signs and conditions.
    {"0.00", -5, u"-5.00"},
    {"0.00;(0.00)", -5, u"(5.00)"},
    {"0.00;(0.00)", 5, u"5.00"},
    {"0.00;(0.00);\"zero\"", 0, u"zero"},
    {"0;;", -1, u""},
    {"0;-0;", 0, u""},
    {"[>100]0", 5, u"###################"},
    {"[>=0]0;0", -4, u"4"},
    {"[>=10]0;0", -4, u"-4"},
    {"[<0]\"neg\";\"other\"", -2, u"neg"},
    {"[<0]\"neg\";\"other\"", 2, u"other"},
    {"[=1]\"one\";[=2]\"two\";0", 2, u"two"},
    {"[=1]\"one\";[=2]\"two\";0", 7, u"7"},
    {"[<=-10]0;0", -20, u"20"},
    {"[<=0]0;0", -3, u"3"},
    {"[>1000]#,##0;0.00", 1234.5, u"1,235"},
    {"[>1000]#,##0;0.00", 12.345, u"12.35"},
    {"0;0;0;0;0", 5, u"5"},
    // Digits, grouping, percent, scientific.
    {"0", 2.5, u"3"},
    {"0", 0.4, u"0"},
    {"#", 0, u""},
    {"0.000", 3.14159, u"3.142"},
    {"#,##0.00", 1234.5, u"1,234.50"},
    {"#,##0.00", 1234567.891, u"1,234,567.89"},
    {"#,##0", -1234567, u"-1,234,567"},
    {"0%", 0.25, u"25%"},
    {"0.0%", 0.1234, u"12.3%"},
    {"0.00%", -0.5, u"-50.00%"},
    {"0.00E+00", 12345, u"1.23E+04"},
    {"0.00E+00", 0.000123, u"1.23E-04"},
    {"0.0E-0", 12345, u"1.2E4"},
    {"00000", 42, u"00042"},
    {"#.##", 3.5, u"3.5"},
    {".00", 0.7, u".70"},
    {"#,##0.00_);(#,##0.00)", -1234.5, u"(1,234.50)"},
    {"#,##0.00_);(#,##0.00)", 1234.5, u"1,234.50 "},
    {"0\\%", 5, u"5%"},
    // Commas after the last placeholder scale by thousands.
    {"#,##0.0,", 1234.5678, u"1.2"},
    {"0,,", 12345678, u"12"},
    {"#,##0,", 1234567, u"1,235"},
    {"0,.00", 1500, u"1.50"},
    // Fractions.
    {"# ?/?", 1234.5678, u"1234 4/7"},
    {"# ?" "?/??", 1234.5678, u"1234 46/81"},
    {"# ?" "?/??", 0.5, u"  1/2 "},
    {"# ?/?", 42, u"42    "},
    {"# ?/?", 0, u"0    "},
    {"# ?/?", -2.25, u"-2 1/4"},
    {"?/?", 1234.5678, u"8642/7"},
    {"?/?", 0, u"0/1"},
    {"# ?/8", 0.3, u" 2/8"},
    {"0/100", 0.25, u"25/100"},
    // Literals, quotes, currency and locale codes, colours.
    {"\"$\"#,##0.00", 1234.5, u"$1,234.50"},
    {"$#,##0", 99, u"$99"},
    {"[$€-407]#,##0", 1234, u"€1,234"},
    {"[$USD] 0.00", 3, u"USD 3.00"},
    {"0 \"kg\"", 5, u"5 kg"},
    {"0 kg", 5, u"5"},
    {"[Red]0.0", 2, u"2.0"},
    {"[RED]0.0", 2, u"2.0"},
    {"[Blue]0;[Red]-0", -3, u"-3"},
    {"(0)", 8, u"(8)"},
    // The minus sign leads the literal text before the number.
    {"(0)", -8, u"-(8)"},
    {"\"$\"#,##0.00", -1234.5678, u"-$1,234.57"},
    {"General", 1234.5, u"1234.5"},
    {"general", 0.125, u"0.125"},
    {"0@", 5, u"5"},
    // Elapsed time and times.
    {"[h]:mm", 1.5, u"36:00"},
    {"[h]", 1.5, u"36"},
    {"[mm]", 0.5, u"720"},
    {"[ss]", 0.01, u"864"},
    {"[h]:mm:ss", 2.0 + 3723.0 / 86400, u"49:02:03"},
    {"[hh]:mm", 1.0 / 24, u"01:00"},
    {"[h]:mm", -0.25, u"-6:00"},
    {"[h]:mm", 1e300, u"1000000000000000##"},
    {"hh:mm", 0.75, u"18:00"},
    {"h:mm:ss", kDate, u"14:07:09"},
    {"hh:mm AM/PM", 0.75, u"06:00 PM"},
    {"h:mm am/pm", 0.25, u"6:00 AM"},
    {"h AM/PM", 0.5, u"12 PM"},
    {"mm:ss", 0.5 + 125.0 / 86400, u"02:05"},
    // Dates.
    {"mm/dd/yyyy", kDate, u"03/05/2024"},
    {"d mmm yyyy", kDate, u"5 Mar 2024"},
    {"dddd, mmmm d, yyyy", kDate, u"Tuesday, March 5, 2024"},
    {"ddd dd/mm/yy", kDate, u"Tue 05/03/24"},
    {"yyyy-mm-dd", kDate, u"2024-03-05"},
    {"yyyy-mm-dd hh:mm", kDate, u"2024-03-05 14:07"},
    {"mmm-yy", kDate, u"Mar-24"},
    {"\"Week of \"d mmm", kDate, u"Week of 5 Mar"},
    {"yyyy\\-mm", kDate, u"2024-03"},
    {"mm/dd/yyyy", -1, u"12/29/1899"},
    {"mm/dd/yyyy", 1e9, u"##"},
};

}  // namespace

TEST(ExcelNumberFormat, CasesInEnglishSettings) {
  for (const TCase& c : kCases) {
    SCOPED_TRACE(std::string("format ") + c.Format + " value " + std::to_string(c.Value));
    EXPECT_EQ(ApplyExcelNumberFormat(QVariant(c.Value), QString::fromUtf8(c.Format), English()),
              QString::fromUtf16(c.Expected));
  }
}

TEST(ExcelNumberFormat, FrenchSeparatorsAndNames) {
  const TFormatSettings& fr = testsupport::FrenchSettings();
  const QString group = QString(fr.ThousandSeparator);
  EXPECT_EQ(ApplyExcelNumberFormat(1234.5, "#,##0.00", fr), "1" + group + "234,50");
  EXPECT_EQ(ApplyExcelNumberFormat(0.125, "0.0%", fr), "12,5%");
  EXPECT_EQ(ApplyExcelNumberFormat(1.5, "[h]:mm", fr), "36:00");
  EXPECT_EQ(ApplyExcelNumberFormat(kDate, "dddd d mmmm yyyy", fr), QString::fromUtf8("mardi 5 mars 2024"));
  EXPECT_EQ(ApplyExcelNumberFormat(1234.5, "General", fr), "1234,5");
}

TEST(ExcelNumberFormat, TextBooleanAndOtherValues) {
  const TFormatSettings& en = English();
  struct TTextCase {
    QVariant Value;
    const char* Format;
    QString Expected;
  } cases[] = {
      {QVariant(QString("Smith")), "\"Name: \"@", "Name: Smith"},
      {QVariant(QString("Smith")), "0.00;-0.00;0;[Blue]\"<\"@\">\"", "<Smith>"},
      {QVariant(QString("Smith")), "0.00", "Smith"},
      {QVariant(QString("Smith")), "@ \"(x)\"", "Smith (x)"},
      // The unquoted "a" stops the rendering: the text itself.
      {QVariant(QString("Smith")), "@ abc", "Smith"},
      {QVariant(true), "0.00", "TRUE"},
      {QVariant(false), "@", "FALSE"},
      {QVariant(true), "", "True"},
      {QVariant(), "0.00", ""},
      {QVariant(2.5), "", "2.5"},
      {QVariant(int(7)), "000", "007"},
      {QVariant(qlonglong(1234567)), "#,##0", "1,234,567"},
      {QVariant(uint(7)), "000", "7"},
      {QVariant(QDate(2024, 3, 5)), "yyyy-mm-dd", "2024-03-05"},
      {QVariant(QDate(1899, 12, 1)), "yyyy-mm-dd", k19},
      {QVariant(QDate(1899, 12, 1)), "[$-F800]", FormatDateTime(en.LongDateFormat, -29, en)},
      {QVariant(0.75), "[$-F400]", FormatDateTime(en.LongTimeFormat, 0.75, en)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("format ") + c.Format + " value " + c.Value.toString().toStdString());
    EXPECT_EQ(ApplyExcelNumberFormat(c.Value, QString::fromUtf8(c.Format), en), c.Expected);
  }
}

TEST(ExcelNumberFormat, SectionSplittingAndConditions) {
  WidestringArray sections;
  TResultConditionArray cond;
  int holding = -2;
  EXPECT_EQ(SplitExcelFormatSections("0;\"a;b\";0\\;x;@;ignored", 1, sections, cond, holding), 4);
  EXPECT_EQ(sections[1], "\"a;b\"");
  EXPECT_EQ(sections[2], "0\\;x");
  EXPECT_EQ(sections[3], "@");
  EXPECT_EQ(holding, -1);

  EXPECT_EQ(SplitExcelFormatSections("0;", 1, sections, cond, holding), 2);
  EXPECT_EQ(sections[1], "");

  // The first holding section is remembered; a malformed number is no
  // condition.
  EXPECT_EQ(SplitExcelFormatSections("[>1]a;[>0]b;[>x]c", 5, sections, cond, holding), 3);
  EXPECT_EQ(holding, 0);
  EXPECT_TRUE(cond[1].Assigned);
  EXPECT_FALSE(cond[2].Assigned);
  EXPECT_FALSE(cond[0].Complement);

  // A value that is not a number satisfies every operator but "=".
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(SplitExcelFormatSections("[=0]a;[<0]b", nan, sections, cond, holding), 2);
  EXPECT_EQ(holding, 1);
  EXPECT_TRUE(cond[0].Complement);
  EXPECT_TRUE(cond[0].SupressNeg);
  EXPECT_TRUE(cond[1].SupressNegComp);
}

TEST(ExcelNumberFormat, HostileFormatsEndAndAnswer) {
  const TFormatSettings& en = English();
  for (const char* f : {"[", "[$", "[$-", "[h", "\"", "\\", "*", "_", "[>", "[>1", "[<=", "[Red", "0.0E", "E+",
                        "[$-F800", "\"abc", "0;[", "#,##0.00;;;;;;", "[hhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhh]",
                        "0000000000000000000000000000000000000000.00"}) {
    SCOPED_TRACE(f);
    const QString out = ApplyExcelNumberFormat(-1234.5, QString::fromUtf8(f), en);
    EXPECT_LT(out.size(), 200);
  }
  EXPECT_EQ(ApplyExcelNumberFormat(std::numeric_limits<double>::infinity(), "0.00", en), "INF");
}

TEST(ExcelNumberFormat, GridShowsExcelFormattedCells) {
  auto g = gridtest::NewGrid();
  g->SetFormatType(ftExcel);
  g->SetCells(1, 1, "0.125");
  g->SetCells(2, 1, "text");
  g->OnGetFloatFormat = [](TObject*, int ACol, int, bool& IsFloat, QString& Fmt) {
    IsFloat = true;
    Fmt = ACol == 1 ? QStringLiteral("0.00%") : QStringLiteral("0.0");
  };
  EXPECT_EQ(g->GetFormattedCell(1, 1), "12.50%");
  EXPECT_EQ(g->GetFormattedCell(2, 1), "text");
  g->OnGetFloatFormat = nullptr;
  EXPECT_EQ(g->GetFormattedCell(1, 1), "0.125");
}
