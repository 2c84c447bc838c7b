// The filter-expression matcher of TKitUtils: conditions, comparisons,
// wildcards, dates, and evaluation in bounded time.

#include <gtest/gtest.h>

#include "foundation/KitUtils.h"
#include "tests/support/TestSupport.h"

namespace {

// Day-month-year dates with "/" and ":" for the length of a test.
class FilterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FSaved = FormatSettings;
    FormatSettings.ShortDateFormat = u"dd/MM/yyyy"_qs;
    FormatSettings.DateSeparator = u'/';
    FormatSettings.TimeSeparator = u':';
    FormatSettings.DecimalSeparator = u'.';
    FormatSettings.ThousandSeparator = u',';
  }
  void TearDown() override { FormatSettings = FSaved; }

 private:
  TFormatSettings FSaved;
};

struct MatchCase {
  const char16_t* Condition;
  const char16_t* Value;
  bool CaseSensitive;
  bool Expected;
};

}  // namespace

TEST_F(FilterTest, Conditions) {
  const MatchCase cases[] = {
      // Empty conditions and values.
      {u"", u"", true, true},
      {u"", u"a", true, false},
      {u"  ", u"", true, true},
      {u"*", u"", true, false},
      {u"*", u"x", true, true},
      // Wildcards and case.
      {u"a*", u"abc", true, true},
      {u"a*", u"ABC", false, true},
      {u"a*", u"ABC", true, false},
      {u"\u00E9t\u00E9*", u"\u00C9T\u00C9S", false, true},
      {u"=x?z", u"xyz", true, true},
      {u"x?z", u"xz", true, false},
      {u"abc", u"abcd", true, false},
      {u"abc", u"ab", true, false},
      {u"*c", u"abc", true, true},
      {u"*b*", u"abc", true, true},
      {u"a*c", u"abbbc", true, true},
      {u"a*c", u"abcb", true, false},
      {u"a**c", u"ac", true, true},
      {u"a*", u"a", true, true},
      {u"ab*b", u"ab", true, false},  // no reach-back before the star
      {u"ab*b", u"abb", true, true},
      {u"a*b", u"a", true, false},
      // Negation.
      {u"!a*", u"abc", true, false},
      {u"!a*", u"xyz", true, true},
      {u"!abc", u"abc", true, false},
      // Operators: no precedence, "^" and ";" are inclusive or.
      {u"a|b", u"b", true, true},
      {u"a&b", u"a", true, false},
      {u"a^a", u"a", true, true},
      {u"x;a", u"a", true, true},
      {u"a|b&c", u"a", true, false},
      {u"a*|b*", u"bob", true, true},
      {u"(a*|b*)&*z", u"boz", true, true},
      {u"(a*|b*)&*z", u"bob", true, false},
      {u"c&(a|c)", u"c", true, true},
      {u"((a))", u"a", true, true},
      // Blanks and quotes.
      {u" New York ", u"NewYork", true, true},
      {u"New York", u"New York", true, false},
      {u"\"New York\"", u"New York", true, true},
      {u"\"a|b\"", u"a|b", true, true},
      // Comparisons.
      {u">5", u"7", true, true},
      {u">=7", u"7", true, true},
      {u"<7", u"7", true, false},
      {u"<=7", u"7", true, true},
      {u">9", u"10", true, true},  // as numbers; as texts "10" < "9"
      {u">a", u"b", true, true},
      {u"<a", u"b", true, false},
      {u">1,000", u"999", true, false},  // the thousand separator is dropped
      {u">1,000", u"1,500", true, true},
      {u">\"a b\"", u"a c", true, true},
      {u">\"a b\"", u"a a", true, false},  // the operand keeps its blank
      {u">5&<10", u"7", true, true},
      {u">5&<10", u"12", true, false},
      {u"<01/02/2020", u"15/01/2019", true, true},  // as dates; as texts "15" > "01"
      {u">01/02/2020", u"31/01/2020", true, false},
      // Unclosed parentheses are ordinary characters.
      {u"((a", u"((a", true, true},
      {u"(a", u"a", true, false},
      {u"(a|b", u"b", true, true},
      {u"(a|b", u"(a", true, true},
  };
  for (const MatchCase& c : cases) {
    EXPECT_EQ(TKitUtils::MatchStrEx(QString::fromUtf16(c.Condition), QString::fromUtf16(c.Value),
                                    c.CaseSensitive),
              c.Expected)
        << "condition '" << QString::fromUtf16(c.Condition).toStdString() << "' value '"
        << QString::fromUtf16(c.Value).toStdString() << "'";
  }
}

TEST_F(FilterTest, TermsAndPointers) {
  EXPECT_TRUE(TKitUtils::Matches(u"a?c", u"abc"));
  EXPECT_FALSE(TKitUtils::Matches(u"a?c", u"abd"));
  EXPECT_TRUE(TKitUtils::Matches(u"x", nullptr));  // an empty value passes every term
  EXPECT_TRUE(TKitUtils::MatchStr(u"A*"_qs, u"abc"_qs, false));
  EXPECT_FALSE(TKitUtils::MatchStr(u"A*"_qs, u"abc"_qs, true));
  // A range in one term, and its outside.
  EXPECT_TRUE(TKitUtils::Matches(u">5&<10"_qs, u"7"_qs));
  EXPECT_FALSE(TKitUtils::Matches(u">5&<10"_qs, u"10"_qs));
  EXPECT_TRUE(TKitUtils::Matches(u"<5^>10"_qs, u"11"_qs));
  EXPECT_FALSE(TKitUtils::Matches(u"<5^>10"_qs, u"7"_qs));
}

TEST_F(FilterTest, Helpers) {
  int spos = 0;
  const TKitUtilsCharSet ops = TKitUtils::CreateCharSet(u"&|"_qs);
  EXPECT_EQ(TKitUtils::FirstChar(ops, u"a\"&\"b|c"_qs, spos), QChar(u'|'));
  EXPECT_EQ(spos, 6);
  EXPECT_EQ(TKitUtils::FirstChar(ops, u"abc"_qs, spos), QChar(0));
  EXPECT_EQ(spos, -1);

  EXPECT_EQ(TKitUtils::StripLogicSpaces(u" a b \"c d\" e "_qs), u"ab\"c d\"e"_qs);
  EXPECT_EQ(TKitUtils::ClosingParenthesis(u"(a(b)c)d"_qs), 7);
  EXPECT_EQ(TKitUtils::ClosingParenthesis(u"(a(b"_qs), 0);
  EXPECT_EQ(TKitUtils::ClosingParenthesis(u"a)"_qs), 0);
  EXPECT_EQ(TKitUtils::StripThousandSep(u"1,234,567.5"_qs), u"1234567.5"_qs);
}

TEST_F(FilterTest, IsDate) {
  struct Case {
    const char16_t* Text;
    bool Expected;
    TDateTime Value;
  } cases[] = {
      {u"31/12/2020 10:30", true, EncodeDateTime(2020, 12, 31, 10, 30, 0, 0)},
      {u"31/12/2020 10:30:15", true, EncodeDateTime(2020, 12, 31, 10, 30, 15, 0)},
      {u"31/12/2020", true, EncodeDate(2020, 12, 31)},
      {u" 1/ 2/ 2021 ", true, EncodeDate(2021, 2, 1)},
      {u"5/6/20", true, EncodeDate(20, 6, 5)},  // the year as written
      {u"31/12/2020 10", false, EncodeDate(2020, 12, 31)},  // a time needs its separator
      {u"31/04/2020", false, 0},
      {u"0/1/2020", false, 0},
      {u"32/01/2020", false, 0},
      {u"01/13/2020", false, 0},
      {u"31/12/2020 24:00", false, 0},
      {u"31/12/2020 10:60", false, 0},
      {u"31/12/2020 10:30:60", false, 0},
      {u"12/2020", false, 0},
      {u"a/b/c", false, 0},
      {u"", false, 0},
  };
  for (const Case& c : cases) {
    TDateTime value = 0;
    EXPECT_EQ(TKitUtils::IsDate(QString::fromUtf16(c.Text), value), c.Expected)
        << QString::fromUtf16(c.Text).toStdString();
    EXPECT_DOUBLE_EQ(value, c.Value) << QString::fromUtf16(c.Text).toStdString();
  }
  FormatSettings.ShortDateFormat = u"yyyy-MM-dd"_qs;
  FormatSettings.DateSeparator = u'-';
  TDateTime value = 0;
  EXPECT_TRUE(TKitUtils::IsDate(u"2021-03-04"_qs, value));
  EXPECT_DOUBLE_EQ(value, EncodeDate(2021, 3, 4));
}

// Inputs that an evaluation by plain backtracking or by the condition loop as
// first described would never finish.
TEST_F(FilterTest, BoundedTime) {
  // An unclosed "(" at the start of the condition.
  const QString opens = QString(20000, u'(') + u'a';
  EXPECT_TRUE(TKitUtils::MatchStrEx(opens, opens, true));
  EXPECT_FALSE(TKitUtils::MatchStrEx(opens, u"a"_qs, true));
  EXPECT_TRUE(TKitUtils::MatchStrEx(u"("_qs + opens + u"|b"_qs, u"b"_qs, true));

  // Many stars against a long value that almost matches.
  QString stars;
  for (int i = 0; i < 40; ++i) stars += u"*a"_qs;
  stars += u"*b"_qs;
  const QString as(5000, u'a');
  EXPECT_FALSE(TKitUtils::MatchStrEx(stars, as, true));
  EXPECT_TRUE(TKitUtils::MatchStrEx(stars, as + u'b', true));
  EXPECT_FALSE(TKitUtils::MatchStrEx(u'!' + stars, as + u'b', true));
  const QString manyStars = QString(3000, u'*') + u"?b"_qs;
  EXPECT_TRUE(TKitUtils::Matches(manyStars, as + u'b'));
  EXPECT_FALSE(TKitUtils::Matches(manyStars, as));

  // Deeply nested groups: deep enough ones still evaluate, absurd depths end
  // with the innermost parentheses read as characters.
  const QString nested = QString(200, u'(') + u'a' + QString(200, u')');
  EXPECT_TRUE(TKitUtils::MatchStrEx(nested, u"a"_qs, true));
  const QString absurd = QString(100000, u'(') + u'a' + QString(100000, u')');
  EXPECT_FALSE(TKitUtils::MatchStrEx(absurd, u"a"_qs, true));
}
