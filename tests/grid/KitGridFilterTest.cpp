// The grid's condition matcher: operators without precedence, groups,
// comparisons as numbers, dates or texts, wildcards with quoting and
// negation; under the en-US and fr-FR format settings, and in bounded time
// on patterns that would take exponential time with plain backtracking.

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "grid/model/KitGridFilter.h"
#include "platform/rtl/SysUtils.h"
#include "tests/support/TestSupport.h"

namespace {

QString S(const char16_t* text) { return QString::fromUtf16(text); }

class LocaleFilterTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    FSaved = FormatSettings;
    FormatSettings = TFormatSettings::Create(QString::fromLatin1(GetParam()));
  }
  void TearDown() override { FormatSettings = FSaved; }
  bool French() const { return QByteArray(GetParam()) == "fr-FR"; }

 private:
  TFormatSettings FSaved;
};

class FilterTest : public ::testing::Test {
 protected:
  void SetUp() override { FSaved = FormatSettings; }
  void TearDown() override { FormatSettings = FSaved; }

 private:
  TFormatSettings FSaved;
};

struct ExprCase {
  const char16_t* Condition;
  const char16_t* Value;
  bool CaseSensitive;
  bool English;  // expected under en-US
  bool French;   // expected under fr-FR
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Locales, LocaleFilterTest, ::testing::Values("en-US", "fr-FR"),
                         [](const auto& info) { return QString::fromLatin1(info.param).remove(u'-').toStdString(); });

TEST_P(LocaleFilterTest, Conditions) {
  const ExprCase cases[] = {
      // Operators, left to right without precedence; "^" and ";" are or.
      {u"a|b", u"b", true, true, true},
      {u"a&b", u"a", true, false, false},
      {u"a^a", u"a", true, true, true},
      {u"x;a", u"a", true, true, true},
      {u"a|b&c", u"a", true, false, false},
      {u"c&a|c", u"c", true, true, true},
      // Empty terms match only the empty value.
      {u"", u"", true, true, true},
      {u"", u"x", true, false, false},
      {u"a|", u"", true, true, true},
      {u"|a", u"a", true, true, true},
      {u"a||b", u"", true, true, true},
      {u"&", u"x", true, false, false},
      // Trimming, the leading "=", blanks outside quotes.
      {u" = abc ", u"abc", true, true, true},
      {u"==abc", u"=abc", true, true, true},
      {u"New York", u"NewYork", true, true, true},
      {u"New York", u"New York", true, false, false},
      {u"\"New York\"", u"New York", true, true, true},
      {u"\"a|b\"", u"a|b", true, true, true},
      // Case.
      {u"abc", u"ABC", false, true, true},
      {u"abc", u"ABC", true, false, false},
      {u"stra\u00dfe", u"STRASSE", false, true, true},
      {u"\u00e9t\u00e9*", u"\u00c9T\u00c9S", false, true, true},
      // Groups.
      {u"(a|b)&c", u"c", true, false, false},
      {u"(a|c)&c", u"c", true, true, true},
      {u"c&(a|c)", u"c", true, true, true},
      {u"((a))", u"a", true, true, true},
      {u"(a|(b&c))|d", u"d", true, true, true},
      {u"( = a )", u"a", true, true, true},
      {u"()", u"", true, true, true},
      {u"(a)b", u"a", true, true, true},        // what follows the group in its term is ignored
      {u"((a", u"((a", true, true, true},       // an unclosed "(" is literal
      {u"(a|b", u"(a|b", true, true, true},     // ... and so is everything after it
      {u"(a|b", u"b", true, false, false},
      {u"\"(a\"|b", u"b", true, true, true},    // parentheses inside quotes do not count
      {u"a)|b", u"b", true, false, false},      // a stray ")" leaves depth 0: no split after it
      // Comparisons.
      {u">5", u"10", true, true, true},
      {u">5", u"3", true, false, false},
      {u">=5", u"5", true, true, true},
      {u"<=5", u"5", true, true, true},
      {u"<5", u"5", true, false, false},
      {u"<5", u"4.5", true, true, true},         // "." is no thousand separator in either
      {u"<5", u"4,5", true, false, true},        // en-US drops "," as thousands: 45
      {u">100", u"99", true, false, false},
      {u">100", u"abc", true, true, true},       // text comparison
      {u"<5", u"", true, true, true},            // an empty value is no number
      {u">5", u"", true, false, false},
      {u">abc", u"abd", true, true, true},
      {u">\"a b\"", u"b", true, true, true},     // a quoted operand keeps its blank
      {u">01/02/2020", u"15/01/2020", true, true, false},   // dates only in day-first fr-FR
      {u">01/20/2020", u"02/15/2019", true, false, true},   // dates only in month-first en-US
      {u">5&<10", u"7", true, true, true},       // split: 7 > 5, then 7 < 10
      // Wildcards.
      {u"*test*", u"a test case", true, true, true},
      {u"!*test*", u"a test case", true, false, false},
      {u"!*test*", u"a case", true, true, true},
      {u"t?st", u"test", true, true, true},
      {u"t?st", u"tst", true, false, false},
      {u"abc*", u"abcdef", true, true, true},
      {u"*abc", u"xxabc", true, true, true},
      {u"*abc", u"abcx", true, false, false},
      {u"a**c", u"ac", true, true, true},
      {u"ab*b", u"ab", true, false, false},
      {u"!abc", u"abd", true, true, true},
      {u"!abc", u"abc", true, false, false},
      {u"\"!abc\"", u"!abc", true, true, true},  // "!" is literal after a leading quote
      {u"\"a*b\"", u"axxb", true, true, true},   // quotes do not protect "*"
  };
  for (const ExprCase& c : cases) {
    const bool expected = French() ? c.French : c.English;
    EXPECT_EQ(MatchConditionExpr(S(c.Condition), S(c.Value), c.CaseSensitive), expected)
        << "condition '" << S(c.Condition).toStdString() << "' value '" << S(c.Value).toStdString() << "'";
  }
}

TEST_P(LocaleFilterTest, GroupedThousands) {
  // The locale's own grouping: "," in en-US, U+202F in fr-FR.
  const QString thousand(FormatSettings.ThousandSeparator);
  const QString decimal(FormatSettings.DecimalSeparator);
  EXPECT_TRUE(MatchConditionExpr(u">1"_qs + thousand + u"000"_qs + decimal + u"5"_qs,
                                 u"2"_qs + thousand + u"000"_qs, true));
  EXPECT_FALSE(MatchConditionExpr(u">1"_qs + thousand + u"000"_qs + decimal + u"5"_qs,
                                  u"1"_qs + thousand + u"000"_qs, true));
  EXPECT_EQ(DotDecimalText(u"1"_qs + thousand + u"234"_qs + decimal + u"5"_qs), u"1234.5"_qs);
}

TEST_F(FilterTest, CommaDecimalWithDotThousands) {
  FormatSettings = TFormatSettings::Create(u"fr-FR"_qs);
  FormatSettings.ThousandSeparator = u'.';
  EXPECT_TRUE(MatchConditionExpr(u">1.000,5"_qs, u"2.000"_qs, true));
  EXPECT_FALSE(MatchConditionExpr(u">1.000,5"_qs, u"1.000"_qs, true));
}

TEST_F(FilterTest, Items) {
  const struct {
    const char16_t* Term;
    const char16_t* Value;
    bool CaseSensitive;
    bool Expected;
  } cases[] = {
      {u"\"\"", u"", true, true},
      {u"\"\"", u"x", true, false},
      {u"", u"", true, true},
      {u"", u"x", true, false},
      {u">5&<10", u"7", true, true},
      {u">5&<10", u"12", true, false},
      {u"<5^>10", u"12", true, true},
      {u"<5^>10", u"7", true, false},
      {u"<5^>10", u"3", true, true},
      {u"a\"\"b", u"a\"b", true, true},      // a quote after a skipped one is literal
      {u"x!abc", u"yabc", true, false},      // the walk fails before it reaches "!"
      {u"x!abc", u"xabd", true, true},
      {u"*!b", u"ab", true, true},           // the rest after "*" is negated on its own
      {u"ABC*", u"abcd", false, true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MatchConditionItem(S(c.Term), S(c.Value), c.CaseSensitive), c.Expected)
        << "term '" << S(c.Term).toStdString() << "' value '" << S(c.Value).toStdString() << "'";
}

TEST_F(FilterTest, Helpers) {
  EXPECT_EQ(RemoveBlanksOutsideQuotes(u"a b \"c d\" e"_qs), u"ab\"c d\"e"_qs);
  EXPECT_EQ(FindOperatorOutside(u"(a|b)&c"_qs), 6);
  EXPECT_EQ(FindOperatorOutside(u"\"a|b\";c"_qs), 6);
  EXPECT_EQ(FindOperatorOutside(u"abc"_qs), 0);
  EXPECT_EQ(MatchingParenPos(u"(a(b))c"_qs), 6);
  EXPECT_EQ(MatchingParenPos(u"(\")\")"_qs), 5);
  EXPECT_EQ(MatchingParenPos(u"((a"_qs), 0);
  EXPECT_EQ(MatchingParenPos(u"a(b)"_qs), 0);
  EXPECT_EQ(FindCharOutsideQuotes(u'>', u"\">\">"_qs), 4);
  EXPECT_EQ(FindCharOutsideQuotes(u'>', u"\">\""_qs), 0);
}

TEST_F(FilterTest, PathologicalPatternsRunInBoundedTime) {
  // Plain backtracking needs about C(1000, 5) steps for the first pattern.
  const QString as(1000, u'a');
  const QString mixed = QString(u"ab"_qs).repeated(500);
  const struct {
    QString Condition;
    QString Value;
    bool Expected;
  } cases[] = {
      {u"*a*a*a*a*a*b"_qs, as, false},
      {u"*a*a*a*a*a*b"_qs, as + u"b"_qs, true},
      {u"!*a*a*a*a*a*b"_qs, as, true},            // the negating matcher
      {u"\"*a*a*a*a*a*b\""_qs, as, false},        // the quoting matcher
      {u"*?*?*?*?*?*?*c"_qs, mixed, false},
      {QString(u"*a"_qs).repeated(400) + u"b"_qs, as, false},
      {u"!"_qs + QString(u"*a"_qs).repeated(400) + u"b"_qs, as, true},
      {u"*a*a*a*a*a*b|*b*b*b*b*b*c"_qs, as, false},
  };
  QElapsedTimer timer;
  timer.start();
  for (const auto& c : cases) {
    for (int caseSensitive = 0; caseSensitive < 2; ++caseSensitive)
      EXPECT_EQ(MatchConditionExpr(c.Condition, c.Value, caseSensitive != 0), c.Expected)
          << c.Condition.left(40).toStdString();
  }
  EXPECT_LT(timer.elapsed(), 2000);

  // Deep nesting is evaluated without recursion.
  const int depth = 200000;
  const QString nested = QString(depth, u'(') + u"a|b"_qs + QString(depth, u')');
  timer.restart();
  EXPECT_TRUE(MatchConditionExpr(nested, u"b"_qs, true));
  EXPECT_FALSE(MatchConditionExpr(nested, u"c"_qs, true));
  EXPECT_TRUE(MatchConditionExpr(QString(depth, u'(') + u"a"_qs, QString(depth, u'(') + u"a"_qs, true));
  EXPECT_LT(timer.elapsed(), 2000);
}
