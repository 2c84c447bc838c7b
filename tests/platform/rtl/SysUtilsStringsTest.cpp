// 1-based string helpers, case, comparison, quoting and tests on text.

#include <gtest/gtest.h>

#include <QLocale>
#include <algorithm>

#include "platform/rtl/SysUtils.h"
#include "tests/support/TestSupport.h"

namespace {
QString U(const char* utf8) { return QString::fromUtf8(utf8); }
int Sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }
}  // namespace

TEST(StringsTest, PosCopyDeleteInsertAreOneBased) {
  struct PosRow {
    const char* Sub;
    const char* S;
    int Offset, Want;
  };
  const PosRow pos[] = {{"b", "abc", 1, 2}, {"x", "abc", 1, 0}, {"", "abc", 1, 0},  {"a", "abca", 2, 4},
                        {"a", "abc", 0, 0}, {"a", "abc", 4, 0}, {"bc", "abc", 2, 2}, {"abcd", "abc", 1, 0}};
  for (const PosRow& r : pos) EXPECT_EQ(Pos(r.Sub, r.S, r.Offset), r.Want) << r.Sub << " in " << r.S;
  EXPECT_EQ(Pos("c", "abc"), 3);

  struct RangeRow {
    int Index, Count;
    const char* Copy;
    const char* AfterDelete;
  };
  const RangeRow ranges[] = {{2, 3, "bcd", "aef"},       {0, 2, "ab", "abcdef"},   {-5, 2, "ab", "abcdef"},
                             {5, 10, "ef", "abcd"},      {7, 1, "", "abcdef"},     {6, 1, "f", "abcde"},
                             {2, 0, "", "abcdef"},       {2, -1, "", "abcdef"},    {1, 2147483647, "abcdef", ""}};
  for (const RangeRow& r : ranges) {
    SCOPED_TRACE(testing::Message() << r.Index << "," << r.Count);
    EXPECT_EQ(Copy("abcdef", r.Index, r.Count), r.Copy);
    QString s = "abcdef";
    Delete(s, r.Index, r.Count);
    EXPECT_EQ(s, r.AfterDelete);
  }

  const std::pair<int, const char*> inserts[] = {{2, "aXYbc"}, {1, "XYabc"}, {0, "XYabc"}, {4, "abcXY"}, {10, "abcXY"}};
  for (auto [index, want] : inserts) {
    QString s = "abc";
    Insert("XY", s, index);
    EXPECT_EQ(s, want) << index;
  }
}

TEST(StringsTest, StringReplaceFlags) {
  struct Row {
    const char* S;
    const char* Old;
    const char* New;
    TReplaceFlags Flags;
    const char* Want;
  };
  const Row rows[] = {
      {"a-b-c", "-", "+", {}, "a+b-c"},
      {"a-b-c", "-", "+", {rfReplaceAll}, "a+b+c"},
      {"Hello hello", "HELLO", "x", {rfReplaceAll}, "Hello hello"},
      {"Hello hello", "HELLO", "x", {rfIgnoreCase}, "x hello"},
      {"Hello hello", "HELLO", "x", {rfReplaceAll, rfIgnoreCase}, "x x"},
      {"abc", "", "x", {rfReplaceAll}, "abc"},
      {"aaa", "aa", "a", {rfReplaceAll}, "aa"},
      {"ÄÖä", "ä", "x", {rfReplaceAll, rfIgnoreCase}, "xÖx"},
      {"abc", "abc", "", {}, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.S);
    EXPECT_EQ(StringReplace(U(r.S), U(r.Old), U(r.New), r.Flags), U(r.Want));
  }
}

TEST(StringsTest, TrimAndCase) {
  const QString padded = "\t a b \r\n";
  EXPECT_EQ(Trim(padded), "a b");
  EXPECT_EQ(TrimLeft(padded), "a b \r\n");
  EXPECT_EQ(TrimRight(padded), "\t a b");
  EXPECT_EQ(Trim(U("\u00A0x\u00A0")), U("\u00A0x\u00A0"));  // only characters up to the space
  EXPECT_EQ(Trim(" \x01 "), "");
  EXPECT_EQ(UpperCase(U("äbc")), U("äBC"));
  EXPECT_EQ(LowerCase(U("ÄBC")), U("Äbc"));
  EXPECT_EQ(AnsiUpperCase(U("äbc")), U("ÄBC"));
  EXPECT_EQ(AnsiLowerCase(U("ÄBC")), U("äbc"));
}

TEST(StringsTest, OrdinalAndLinguisticComparison) {
  struct Row {
    const char* A;
    const char* B;
    int Str, Text, AnsiStr, AnsiText;  // signs of the four comparisons
  };
  const Row rows[] = {
      {"a", "b", -1, -1, -1, -1},      {"a", "a", 0, 0, 0, 0},       {"a", "ab", -1, -1, -1, -1},
      {"a", "B", 1, -1, -1, -1},       {"abc", "ABC", 1, 0, -1, 0},  {"a_", "aB", 1, 1, -1, -1},
      {"é", "É", 1, 1, -1, 0},        {"é", "f", 1, 1, -1, -1},    {"résumé", "resume", 1, 1, 1, 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.A << " vs " << r.B);
    const QString a = U(r.A), b = U(r.B);
    EXPECT_EQ(Sign(CompareStr(a, b)), r.Str);
    EXPECT_EQ(Sign(CompareText(a, b)), r.Text);
    EXPECT_EQ(Sign(AnsiCompareStr(a, b)), r.AnsiStr);
    EXPECT_EQ(Sign(AnsiCompareText(a, b)), r.AnsiText);
    EXPECT_EQ(SameStr(a, b), r.Str == 0);
    EXPECT_EQ(SameText(a, b), r.Text == 0);
    EXPECT_EQ(AnsiSameStr(a, b), r.AnsiStr == 0);
    EXPECT_EQ(AnsiSameText(a, b), r.AnsiText == 0);
  }
}

// The locale-aware comparison is a real collation in every locale: the
// user's language where there is one, and a language-neutral order under
// the C/POSIX locale, where Qt's own collator compares code points.
TEST(StringsTest, LinguisticComparisonIsACollationInEveryLocale) {
  struct TRestore {
    QLocale Previous;
    ~TRestore() { QLocale::setDefault(Previous); }
  } restore{QLocale()};
  struct Row {
    const char* Locale;
    const char* A;
    const char* B;
    int AnsiText;
  };
  const Row rows[] = {
      {"C", "Brasserie", "Bézier", 1},        {"C", "Établissements", "Z", -1},
      {"C", "établissements", "Etage", -1},   {"C", "ö", "z", -1},
      {"C", "résumé", "RESUME", 1},           {"C", "a_", "aB", -1},
      {"POSIX", "Établissements", "Z", -1},   {"fr_FR", "Établissements", "Z", -1},
      {"fr_FR", "Brasserie", "Bézier", 1},    {"sv_SE", "ö", "z", 1},  // Swedish puts ö after z
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.Locale << ": " << r.A << " vs " << r.B);
    QLocale::setDefault(QLocale(QString::fromLatin1(r.Locale)));
    EXPECT_EQ(Sign(AnsiCompareText(U(r.A), U(r.B))), r.AnsiText);
    EXPECT_EQ(Sign(AnsiCompareText(U(r.B), U(r.A))), -r.AnsiText);
  }
  // Sorting a list with it (as removing duplicates does) under C.
  QLocale::setDefault(QLocale::c());
  QStringList names = {U("Z"), U("Établissements"), U("Brasserie"), U("Bézier")};
  std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) { return AnsiCompareText(a, b) < 0; });
  EXPECT_EQ(names, (QStringList{U("Bézier"), U("Brasserie"), U("Établissements"), U("Z")}));
}

TEST(StringsTest, Quoting) {
  EXPECT_EQ(QuotedStr("it's"), "'it''s'");
  EXPECT_EQ(QuotedStr(""), "''");
  EXPECT_EQ(AnsiQuotedStr("a\"b", u'"'), "\"a\"\"b\"");
  const std::pair<const char*, const char*> dequoted[] = {
      {"'it''s'", "it's"}, {"abc", "abc"}, {"''", ""}, {"'abc", "abc"}, {"'ab'c", "ab"}, {"", ""}};
  for (auto [in, want] : dequoted) EXPECT_EQ(AnsiDequotedStr(in, u'\''), want) << in;

  QString src = "'a''b' rest";
  EXPECT_EQ(AnsiExtractQuotedStr(src, u'\''), "a'b");
  EXPECT_EQ(src, " rest");
  src = "x'y'";
  EXPECT_EQ(AnsiExtractQuotedStr(src, u'\''), "");
  EXPECT_EQ(src, "x'y'");
  src = "'open";
  EXPECT_EQ(AnsiExtractQuotedStr(src, u'\''), "open");
  EXPECT_EQ(src, "");
}

TEST(StringsTest, RepetitionIdentifiersAndDelimiters) {
  EXPECT_EQ(StringOfChar(u'x', 3), "xxx");
  EXPECT_EQ(StringOfChar(u'x', 0), "");
  EXPECT_EQ(StringOfChar(u'x', -1), "");
  EXPECT_EQ(DupeString("ab", 3), "ababab");
  EXPECT_EQ(DupeString("ab", -2), "");

  const std::tuple<const char*, bool, bool> idents[] = {
      {"abc", false, true},  {"_a1", false, true},  {"1a", false, false},  {"", false, false},
      {"a b", false, false}, {"a.b", false, false}, {"a.b", true, true},   {".a", true, false},
      {"a.", true, false},   {"a..b", true, false}, {"café", false, true}, {"a-b", false, false}};
  for (auto [ident, dots, want] : idents) EXPECT_EQ(IsValidIdent(U(ident), dots), want) << ident << dots;

  EXPECT_EQ(LastDelimiter("/\\", "a/b\\c"), 4);
  EXPECT_EQ(LastDelimiter("x", "abc"), 0);
}

TEST(StringsTest, ContainsStartsEnds) {
  struct Row {
    bool Got, Want;
    int Line;
  };
  const Row rows[] = {
      {ContainsStr("Hello", "ell"), true, __LINE__},    {ContainsStr("Hello", "ELL"), false, __LINE__},
      {ContainsText("Hello", "ELL"), true, __LINE__},   {ContainsText("Hello", "x"), false, __LINE__},
      {ContainsText("Hello", ""), true, __LINE__},      {StartsStr("He", "Hello"), true, __LINE__},
      {StartsStr("he", "Hello"), false, __LINE__},      {StartsText("he", "Hello"), true, __LINE__},
      {EndsStr("lo", "Hello"), true, __LINE__},         {EndsStr("LO", "Hello"), false, __LINE__},
      {EndsText("LO", "Hello"), true, __LINE__},        {StartsText("Hello!", "Hello"), false, __LINE__},
      {SameFileName("a.txt", "A.txt"), false, __LINE__}, {SameFileName("a.txt", "a.txt"), true, __LINE__},
  };
  for (const Row& r : rows) EXPECT_EQ(r.Got, r.Want) << "line " << r.Line;
}
