// Integer, float and boolean conversions and the rounding routines.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "platform/rtl/SysUtils.h"
#include "tests/support/TestSupport.h"

namespace {

const TFormatSettings& De() { return testsupport::GermanSettings(); }

using testsupport::ErrorOf;

}  // namespace

TEST(IntToStrTest, DecimalAndHexadecimal) {
  EXPECT_EQ(IntToStr(-42), "-42");
  EXPECT_EQ(IntToStr(4000000000u), "4000000000");
  EXPECT_EQ(IntToStr(std::numeric_limits<Int64>::min()), "-9223372036854775808");
  EXPECT_EQ(IntToStr(std::numeric_limits<UInt64>::max()), "18446744073709551615");
  EXPECT_EQ(IntToStr(short(-7)), "-7");
  const std::pair<QString, const char*> hex[] = {
      {IntToHex(255, 4), "00FF"},          {IntToHex(255, 1), "FF"},
      {IntToHex(0, 0), "0"},               {IntToHex(-1, 2), "FFFFFFFF"},
      {IntToHex(Int64(-1), 4), "FFFFFFFFFFFFFFFF"}, {IntToHex(short(-1), 2), "FFFF"},
      {IntToHex(0xABCDu, 8), "0000ABCD"},  {IntToHex(UInt64(1) << 63, 1), "8000000000000000"},
  };
  for (const auto& [got, want] : hex) EXPECT_EQ(got, want);
}

TEST(StrToIntTest, AcceptsDecimalAndHexadecimal) {
  const std::pair<const char*, int> rows[] = {
      {"42", 42},          {"-42", -42},        {"+7", 7},           {"  12", 12},
      {"007", 7},          {"$FF", 255},        {"$ff", 255},        {"0xff", 255},
      {"0XFF", 255},       {"-$10", -16},       {"$FFFFFFFF", -1},   {"$80000000", INT32_MIN},
      {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN},
  };
  for (auto [text, want] : rows) {
    SCOPED_TRACE(text);
    int got = 0;
    EXPECT_TRUE(TryStrToInt(text, got));
    EXPECT_EQ(got, want);
    EXPECT_EQ(StrToInt(text), want);
    EXPECT_EQ(StrToIntDef(text, -99), want);
  }
}

TEST(StrToIntTest, RejectsEverythingElse) {
  for (const char* text : {"", " ", "12 ", "1 2", "1.5", "abc", "2147483648", "-2147483649", "$", "0x", "-",
                           "$1FFFFFFFF", "1e3", "+-1", "- 1", "0x-1", "\xD9\xA1\xD9\xA2", "x10"}) {
    SCOPED_TRACE(text);
    const QString s = QString::fromUtf8(text);
    int got = 5;
    EXPECT_FALSE(TryStrToInt(s, got));
    EXPECT_EQ(got, 5);
    EXPECT_EQ(StrToIntDef(s, -99), -99);
    EXPECT_EQ(ErrorOf<EConvertError>([&] { StrToInt(s); }), QString("'%1' is not a valid integer value").arg(s));
  }
}

TEST(StrToIntTest, Int64Range) {
  const std::pair<const char*, Int64> rows[] = {
      {"9223372036854775807", std::numeric_limits<Int64>::max()},
      {"-9223372036854775808", std::numeric_limits<Int64>::min()},
      {"$FFFFFFFFFFFFFFFF", -1},
      {"4294967296", 4294967296LL},
      {" -0x10", -16},
  };
  for (auto [text, want] : rows) {
    SCOPED_TRACE(text);
    Int64 got = 0;
    EXPECT_TRUE(TryStrToInt64(text, got));
    EXPECT_EQ(got, want);
    EXPECT_EQ(StrToInt64(text), want);
  }
  for (const char* text : {"9223372036854775808", "-9223372036854775809", "$1FFFFFFFFFFFFFFFF", "1 "}) {
    SCOPED_TRACE(text);
    Int64 got = 3;
    EXPECT_FALSE(TryStrToInt64(text, got));
    EXPECT_EQ(got, 3);
    EXPECT_EQ(ErrorOf<EConvertError>([&] { StrToInt64(text); }),
              QString("'%1' is not a valid integer value").arg(text));
  }
}

TEST(StrToFloatTest, DotAndCommaLocales) {
  struct Row {
    const TFormatSettings* Fs;
    const char* Text;
    double Want;
  };
  const Row rows[] = {
      {&FormatSettings, "1.5", 1.5},       {&FormatSettings, " -1.5e3 ", -1500},
      {&FormatSettings, "+.5", 0.5},       {&FormatSettings, "5.", 5},
      {&FormatSettings, "1E-2", 0.01},     {&FormatSettings, "0.1", 0.1},
      {&FormatSettings, "1e-400", 0},      {&FormatSettings, "1.7976931348623157e308", 1.7976931348623157e308},
      {&De(), "1,5", 1.5},                 {&De(), "-1,25e2", -125},
      {&De(), "  3  ", 3},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Text);
    Extended got = -1;
    EXPECT_TRUE(TryStrToFloat(r.Text, got, *r.Fs));
    EXPECT_EQ(got, r.Want);
    EXPECT_EQ(StrToFloat(r.Text, *r.Fs), r.Want);
    EXPECT_EQ(StrToFloatDef(r.Text, -7, *r.Fs), r.Want);
  }
  EXPECT_EQ(StrToFloat("2.25"), 2.25);  // the global settings
  const Row bad[] = {
      {&FormatSettings, "1,5", 0}, {&FormatSettings, "1,000", 0}, {&FormatSettings, ".", 0},
      {&FormatSettings, "", 0},    {&FormatSettings, "1e", 0},    {&FormatSettings, "1e+", 0},
      {&FormatSettings, "NaN", 0}, {&FormatSettings, "0x10", 0},  {&FormatSettings, "1e400", 0},
      {&FormatSettings, "1 5", 0}, {&FormatSettings, "--1", 0},   {&De(), "1.5", 0},
      {&De(), "1.000,5", 0},
  };
  for (const Row& r : bad) {
    SCOPED_TRACE(r.Text);
    Extended got = 9;
    EXPECT_FALSE(TryStrToFloat(r.Text, got, *r.Fs));
    EXPECT_EQ(got, 9);
    EXPECT_EQ(StrToFloatDef(r.Text, -7, *r.Fs), -7);
    EXPECT_EQ(ErrorOf<EConvertError>([&] { StrToFloat(r.Text, *r.Fs); }),
              QString("'%1' is not a valid floating point value").arg(r.Text));
  }
}

TEST(BoolTest, TextAndNumbers) {
  EXPECT_EQ(BoolToStr(true), "-1");
  EXPECT_EQ(BoolToStr(false), "0");
  EXPECT_EQ(BoolToStr(true, true), "True");
  EXPECT_EQ(BoolToStr(false, true), "False");
  const std::pair<const char*, bool> rows[] = {{"true", true}, {"FALSE", false}, {"True", true},
                                               {"0", false},   {"-1", true},     {"2.5", true},
                                               {"0.0", false}};
  for (auto [text, want] : rows) {
    SCOPED_TRACE(text);
    bool got = !want;
    EXPECT_TRUE(TryStrToBool(text, got));
    EXPECT_EQ(got, want);
    EXPECT_EQ(StrToBool(text), want);
  }
  for (const char* text : {"yes", "", "T", "truex"}) {
    SCOPED_TRACE(text);
    bool got = true;
    EXPECT_FALSE(TryStrToBool(text, got));
    EXPECT_EQ(ErrorOf<EConvertError>([&] { StrToBool(text); }), QString("'%1' is not a valid boolean value").arg(text));
  }
}

TEST(RoundTest, HalfToEvenAndTruncation) {
  const std::pair<double, Int64> rounds[] = {
      {2.5, 2},   {3.5, 4},   {-2.5, -2},          {-3.5, -4},          {0.5, 0},
      {-0.5, 0},  {1.5, 2},   {2.4999999, 2},      {2.5000001, 3},      {-2.6, -3},
      {1e15 + 0.5, 1000000000000000},              {9.2e18, 9200000000000000000LL},
  };
  for (auto [v, want] : rounds) EXPECT_EQ(Round(v), want) << v;
  const std::pair<double, Int64> truncs[] = {{2.9, 2}, {-2.9, -2}, {0.999, 0}, {-9.2e18, -9200000000000000000LL}};
  for (auto [v, want] : truncs) EXPECT_EQ(Trunc(v), want) << v;
  EXPECT_EQ(Int(-2.5), -2.0);
  EXPECT_EQ(Frac(-2.5), -0.5);
  EXPECT_EQ(Frac(1.25), 0.25);
  for (double v : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 1e19,
                   -1e19, 9223372036854775808.0}) {
    EXPECT_EQ(ErrorOf<EInvalidOp>([&] { Round(v); }), "Invalid floating point operation") << v;
    EXPECT_EQ(ErrorOf<EInvalidOp>([&] { Trunc(v); }), "Invalid floating point operation") << v;
  }
  EXPECT_EQ(Round(-9223372036854775808.0), std::numeric_limits<Int64>::min());
}
