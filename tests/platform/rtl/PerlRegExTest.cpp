#include <gtest/gtest.h>

#include <QStringList>
#include <atomic>
#include <thread>
#include <vector>

#include "platform/rtl/PerlRegEx.h"
#include "platform/rtl/Classes.h"
#include "tests/support/TestSupport.h"

namespace {

// A found match as (1-based offset, text); offset 0 means "no match".
struct Found {
  int offset;
  QString text;
  bool operator==(const Found&) const = default;
};

void PrintTo(const Found& f, std::ostream* os) {
  *os << "(" << f.offset << ", \"" << f.text.toStdString() << "\")";
}

Found FirstMatch(const QString& pattern, TPerlRegExOptions options, const QString& subject,
                 TPerlRegExState state = {}) {
  TPerlRegEx re;
  re.SetRegEx(pattern);
  re.SetOptions(options);
  re.SetState(state);
  re.SetSubject(subject);
  if (!re.Match()) return {0, QString()};
  return {re.MatchedOffset(), re.MatchedText()};
}

std::vector<Found> AllMatches(const QString& pattern, const QString& subject) {
  TPerlRegEx re;
  re.SetRegEx(pattern);
  re.SetSubject(subject);
  std::vector<Found> found;
  for (bool ok = re.Match(); ok; ok = re.MatchAgain()) {
    found.push_back({re.MatchedOffset(), re.MatchedText()});
    if (found.size() > 100) break;  // a loop that never ends is a failure too
  }
  return found;
}

const QString kSmiley = QString::fromUtf16(u"\U0001F600");  // one surrogate pair

}  // namespace

// Each option switched on and off on a subject where it makes the difference.
TEST(TPerlRegExTest, OptionsChangeWhatMatches) {
  struct Case {
    const char* name;
    QString pattern;
    TPerlRegExOption option;
    QString subject;
    Found without;
    Found with;
  };
  const Case cases[] = {
      {"caseless", "abc", preCaseLess, "xABCx", {0, ""}, {2, "ABC"}},
      {"caseless beyond ASCII", QString::fromUtf16(u"é"), preCaseLess, QString::fromUtf16(u"É"), {0, ""},
       {1, QString::fromUtf16(u"É")}},
      {"multi-line ^", "^b", preMultiLine, "a\nb", {0, ""}, {3, "b"}},
      {"multi-line $", "a$", preMultiLine, "a\nb", {0, ""}, {1, "a"}},
      {"single-line", "a.b", preSingleLine, "a\nb", {0, ""}, {1, "a\nb"}},
      {"extended", "a b # note", preExtended, "ab", {0, ""}, {1, "ab"}},
      {"extended keeps blanks in a class", "a[ ]b", preExtended, "a b", {1, "a b"}, {1, "a b"}},
      {"anchored", "b", preAnchored, "ab", {2, "b"}, {0, ""}},
      {"ungreedy", "a+", preUnGreedy, "aaa", {1, "aaa"}, {1, "a"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FirstMatch(c.pattern, {}, c.subject), c.without);
    EXPECT_EQ(FirstMatch(c.pattern, {c.option}, c.subject), c.with);
  }
}

TEST(TPerlRegExTest, NoAutoCaptureKeepsOnlyNamedGroups) {
  TPerlRegEx re;
  re.SetRegEx("(a)(?<second>b)");
  re.SetSubject("ab");
  ASSERT_TRUE(re.Match());
  EXPECT_EQ(re.GroupCount(), 2);
  EXPECT_EQ(re.Groups(2), "b");

  re.SetOptions({preNoAutoCapture});
  ASSERT_TRUE(re.Match());
  EXPECT_EQ(re.GroupCount(), 1);
  EXPECT_EQ(re.Groups(1), "b");
  EXPECT_EQ(re.NamedGroup("second"), 1);
}

TEST(TPerlRegExTest, StateFlags) {
  struct Case {
    const char* name;
    QString pattern;
    QString subject;
    TPerlRegExState state;
    Found expected;
  };
  const Case cases[] = {
      {"^ at the start", "^a", "ab", {}, {1, "a"}},
      {"not BOL", "^a", "ab", {preNotBOL}, {0, ""}},
      {"$ at the end", "b$", "ab", {}, {2, "b"}},
      {"not EOL", "b$", "ab", {preNotEOL}, {0, ""}},
      {"empty match allowed", "x*", "ab", {}, {1, ""}},
      // Not-empty holds at every position, not only where the search starts.
      {"not empty anywhere", "x*", "ab", {preNotEmpty}, {0, ""}},
      {"not empty finds a longer match", "x*", "axb", {preNotEmpty}, {2, "x"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FirstMatch(c.pattern, {}, c.subject, c.state), c.expected);
  }
}

TEST(TPerlRegExTest, OffsetsCountUtf16CodeUnits) {
  // U+1F600 takes two code units, "é" (precomposed) one.
  const QString subject = kSmiley + QString::fromUtf16(u"é-abc");
  TPerlRegEx re;
  re.SetSubject(subject);
  re.SetRegEx("abc");
  ASSERT_TRUE(re.Match());
  EXPECT_EQ(re.MatchedOffset(), 5);
  EXPECT_EQ(re.MatchedLength(), 3);

  // "." takes the whole pair.
  re.SetRegEx("^..");
  ASSERT_TRUE(re.Match());
  EXPECT_EQ(re.MatchedText(), kSmiley + QString::fromUtf16(u"é"));
  EXPECT_EQ(re.MatchedLength(), 3);

  re.SetRegEx("(-)(a)");
  ASSERT_TRUE(re.Match());
  EXPECT_EQ(re.GroupOffsets(1), 4);
  EXPECT_EQ(re.GroupOffsets(2), 5);
}

TEST(TPerlRegExTest, GroupsOffsetsAndLengths) {
  TPerlRegEx re;
  re.SetRegEx("(\\d+)-(\\d+)");
  re.SetSubject("ab 12-345 x");
  ASSERT_TRUE(re.Match());
  EXPECT_EQ(re.GroupCount(), 2);
  struct Expect {
    int index;
    QString text;
    int offset;
    int length;
  };
  for (const Expect& e : {Expect{0, "12-345", 4, 6}, Expect{1, "12", 4, 2}, Expect{2, "345", 7, 3}}) {
    SCOPED_TRACE(e.index);
    EXPECT_EQ(re.Groups(e.index), e.text);
    EXPECT_EQ(re.GroupOffsets(e.index), e.offset);
    EXPECT_EQ(re.GroupLengths(e.index), e.length);
  }
  EXPECT_THROW(re.Groups(3), EListError);
  EXPECT_THROW(re.GroupOffsets(-1), EListError);
}

TEST(TPerlRegExTest, UnmatchedGroups) {
  TPerlRegEx re;
  re.SetRegEx("(a)|(b)|(c)");
  re.SetSubject("b");
  ASSERT_TRUE(re.Match());
  EXPECT_EQ(re.GroupCount(), 2);  // highest group that took part
  EXPECT_EQ(re.Groups(1), "");
  EXPECT_EQ(re.GroupOffsets(1), 0);
  EXPECT_EQ(re.GroupLengths(1), 0);
  EXPECT_EQ(re.Groups(2), "b");
  EXPECT_EQ(re.Groups(3), "");  // exists in the pattern, not in the match
  EXPECT_THROW(re.Groups(4), EListError);

  re.SetSubject("z");
  EXPECT_FALSE(re.Match());
  EXPECT_FALSE(re.FoundMatch());
  EXPECT_EQ(re.GroupCount(), 0);
  EXPECT_EQ(re.MatchedText(), "");
  EXPECT_EQ(re.MatchedOffset(), 0);
}

TEST(TPerlRegExTest, NamedGroup) {
  TPerlRegEx re;
  re.SetRegEx("(?<year>\\d{4})-(?<month>\\d\\d)");
  EXPECT_EQ(re.NamedGroup("month"), 2);
  EXPECT_EQ(re.NamedGroup("day"), -1);
  re.SetSubject("on 2024-05");
  ASSERT_TRUE(re.Match());
  EXPECT_EQ(re.Groups(re.NamedGroup("year")), "2024");
}

TEST(TPerlRegExTest, ComputeReplacement) {
  struct Case {
    QString replacement;
    QString expected;
  };
  const Case cases[] = {
      {"\\2:\\1", "site:joe"},
      {"$1 at $2", "joe at site"},
      {"[\\0]", "[joe@site]"},
      {"$0", "joe@site"},
      {"\\g<2>", "site"},
      {"\\g<12>", ""},     // no such group
      {"\\<host>", "site"},
      {"\\<none>", ""},
      {"\\9", ""},
      {"\\\\1", "\\1"},    // an escaped backslash
      {"\\10", "joe0"},    // one digit only
      {"a$b\\q$", "a$b\\q$"},  // other sequences stay as written
  };
  TPerlRegEx re;
  re.SetRegEx("(\\w+)@(?<host>\\w+)");
  re.SetSubject("joe@site");
  ASSERT_TRUE(re.Match());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.replacement.toStdString());
    re.SetReplacement(c.replacement);
    EXPECT_EQ(re.ComputeReplacement(), c.expected);
  }
}

TEST(TPerlRegExTest, ReplaceCurrentMatchThenContinue) {
  TPerlRegEx re;
  re.SetRegEx("\\d+");
  re.SetReplacement("<\\0>");
  re.SetSubject("a1b22c");
  ASSERT_TRUE(re.Match());
  EXPECT_EQ(re.Replace(), "<1>");
  EXPECT_EQ(re.Subject(), "a<1>b22c");
  EXPECT_EQ(re.MatchedText(), "<1>");
  ASSERT_TRUE(re.MatchAgain());
  EXPECT_EQ(re.MatchedOffset(), 6);
  EXPECT_EQ(re.Replace(), "<22>");
  EXPECT_EQ(re.Subject(), "a<1>b<22>c");
  EXPECT_FALSE(re.MatchAgain());
  EXPECT_EQ(re.Replace(), "");  // nothing to replace
  EXPECT_EQ(re.Subject(), "a<1>b<22>c");
}

TEST(TPerlRegExTest, ReplaceAll) {
  struct Case {
    QString pattern;
    QString replacement;
    QString subject;
    QString expected;
    bool replaced;
  };
  const Case cases[] = {
      {"\\d+", "#", "a1b22c", "a#b#c", true},
      {"x", "y", "abc", "abc", false},
      {"(\\w)(\\w)", "\\2\\1", "abcd", "badc", true},
      {"x*", "-", "ab", "-a-b-", true},
      {"", "|", kSmiley + "a", "|" + kSmiley + "|a|", true},  // never splits the pair
      {"^", ">", "a\nb", ">a\nb", true},
      {"(?m)^", ">", "a\nb", ">a\n>b", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern.toStdString() + " -> " + c.replacement.toStdString());
    TPerlRegEx re;
    re.SetRegEx(c.pattern);
    re.SetReplacement(c.replacement);
    re.SetSubject(c.subject);
    EXPECT_EQ(re.ReplaceAll(), c.replaced);
    EXPECT_EQ(re.Subject(), c.expected);
  }
}

TEST(TPerlRegExTest, MatchAgainWalksTheSubject) {
  EXPECT_EQ(AllMatches("\\d+", "1 22 333"), (std::vector<Found>{{1, "1"}, {3, "22"}, {6, "333"}}));
  // Empty matches move on by one character each time.
  EXPECT_EQ(AllMatches("a*", "baac"), (std::vector<Found>{{1, ""}, {2, "aa"}, {4, ""}, {5, ""}}));
  EXPECT_EQ(AllMatches("x*", kSmiley), (std::vector<Found>{{1, ""}, {3, ""}}));
  EXPECT_EQ(AllMatches("z", "abc"), std::vector<Found>{});
}

TEST(TPerlRegExTest, StartAndStopLimitTheSearch) {
  TPerlRegEx re;
  re.SetRegEx("a");
  re.SetSubject("abcabc");
  EXPECT_EQ(re.Stop(), 6);
  re.SetStart(2);
  ASSERT_TRUE(re.MatchAgain());
  EXPECT_EQ(re.MatchedOffset(), 4);
  EXPECT_EQ(re.Start(), 5);

  re.SetStart(2);
  re.SetStop(3);
  EXPECT_FALSE(re.MatchAgain());
  re.SetRegEx("c$");  // the end of the range is the end of the subject seen
  EXPECT_TRUE(re.Match());
  EXPECT_EQ(re.MatchedOffset(), 3);
}

TEST(TPerlRegExTest, Split) {
  struct Case {
    QString pattern;
    QString subject;
    int limit;
    QStringList expected;
  };
  const Case cases[] = {
      {"\\s*,\\s*", "a , b,c", 0, {"a", "b", "c"}},
      {"\\s*,\\s*", "a , b,c", 2, {"a", "b,c"}},
      {"\\s*,\\s*", "a , b,c", 1, {"a , b,c"}},
      {",", "abc", 0, {"abc"}},
      {"-", "a--b", 0, {"a", "", "b"}},
      {",", "a,", -1, {"a", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.subject.toStdString() + " limit " + std::to_string(c.limit));
    TPerlRegEx re;
    re.SetRegEx(c.pattern);
    re.SetSubject(c.subject);
    QStringList parts{"kept"};
    re.Split(parts, c.limit);
    EXPECT_EQ(parts, QStringList{"kept"} + c.expected);
  }
}

TEST(TPerlRegExTest, SplitIntoStringListAddsThePartsInOneUpdate) {
  TPerlRegEx re;
  re.SetRegEx(";");
  re.SetSubject("x;y;z");
  TStringList list;
  list.Add("kept");
  int changes = 0;
  list.OnChange = [&](TObject*) { ++changes; };
  re.Split(&list, 0);
  EXPECT_EQ(list.Text(), "kept\r\nx\r\ny\r\nz\r\n");
  EXPECT_EQ(changes, 1);
}

TEST(TPerlRegExTest, InvalidPatternRaisesWithPcreTextAndOffset) {
  struct Case {
    QString pattern;
    QString message;
  };
  const Case cases[] = {
      {"a(b", "missing closing parenthesis at offset 3"},
      {"[z-a]", "range out of order in character class at offset 3"},
      {"ab\\", "\\ at end of pattern at offset 3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern.toStdString());
    TPerlRegEx re;
    re.SetRegEx(c.pattern);
    re.SetSubject("abc");
    try {
      re.Match();
      ADD_FAILURE() << "no exception";
    } catch (const ERegularExpressionError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
    EXPECT_FALSE(re.Compiled());
  }
}

TEST(TPerlRegExTest, EveryLineBreakEndsALine) {
  const struct {
    const char* name;
    QString br;
  } breaks[] = {{"CR", "\r"},          {"LF", "\n"},           {"CR LF", "\r\n"},
                {"VT", "\v"},          {"FF", "\f"},           {"NEL", QString(QChar(0x85))},
                {"LS", QString(QChar(0x2028))}, {"PS", QString(QChar(0x2029))}};
  for (const auto& b : breaks) {
    SCOPED_TRACE(b.name);
    const QString subject = "a" + b.br + "b";
    EXPECT_EQ(FirstMatch("a.+", {}, subject), (Found{0, ""}));
    EXPECT_EQ(FirstMatch("a.*", {}, subject), (Found{1, "a"}));
    EXPECT_EQ(FirstMatch("a.+b", {preSingleLine}, subject), (Found{1, subject}));
    EXPECT_EQ(FirstMatch("^b", {preMultiLine}, subject), (Found{static_cast<int>(subject.size()), "b"}));
    EXPECT_EQ(FirstMatch("a$", {preMultiLine}, subject), (Found{1, "a"}));
  }
  // Ordinary blanks are no line breaks.
  EXPECT_EQ(FirstMatch("a.b", {}, "a\tb"), (Found{1, "a\tb"}));
}

TEST(TPerlRegExTest, LoneSurrogatesDoNotBreakMatching) {
  const QString high(QChar(0xD800));
  const QString low(QChar(0xDC00));
  struct Case {
    QString pattern;
    QString subject;
    Found expected;
  };
  const Case cases[] = {
      {"c", "a" + high + "c", {3, "c"}},
      {"a.c", "a" + high + "c", {0, ""}},  // the broken unit never matches
      {"b", low + "b" + high, {2, "b"}},
      {"x*$", "a" + high, {3, ""}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FirstMatch(c.pattern, {}, c.subject), c.expected);
  }
  TPerlRegEx re;
  re.SetRegEx("x*");
  re.SetReplacement("-");
  re.SetSubject(high + "a" + low);
  EXPECT_TRUE(re.ReplaceAll());
  EXPECT_EQ(re.Subject(), "-" + high + "-a-" + low + "-");
}

TEST(TPerlRegExTest, EscapeRegExCharsMatchesTheTextLiterally) {
  const QString texts[] = {"a.b*c", "(x) [y] {z}", "$^|?+\\", "# q\t1", QString("nul") + QChar(0) + "12"};
  for (const QString& text : texts) {
    SCOPED_TRACE(text.toStdString());
    for (TPerlRegExOptions options : {TPerlRegExOptions{}, TPerlRegExOptions{preExtended}}) {
      EXPECT_EQ(FirstMatch(TPerlRegEx::EscapeRegExChars(text), options, "<" + text + ">"),
                (Found{2, text}));
    }
  }
  EXPECT_EQ(TPerlRegEx::EscapeRegExChars("a.b"), "a\\.b");
}

TEST(TPerlRegExTest, SharedCacheServesManyThreads) {
  // More distinct patterns than the cache holds, from several threads, so
  // that entries are evicted while other objects still use them.
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &failures] {
      TPerlRegEx re;
      for (int i = 0; i < 400; ++i) {
        const int n = (i * 7 + t) % 300;
        re.SetRegEx(QStringLiteral("k%1=(\\d+)").arg(n));
        re.SetSubject(QStringLiteral("x k%1=%2 y").arg(n).arg(i));
        if (!re.Match() || re.Groups(1) != QString::number(i)) ++failures;
      }
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(failures.load(), 0);
}
