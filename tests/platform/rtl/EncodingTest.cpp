#include <gtest/gtest.h>

#include <climits>

#include "platform/rtl/Encoding.h"
#include "platform/rtl/SysUtils.h"
#include "tests/support/TestSupport.h"

namespace {

TBytes Bytes(std::initializer_list<int> values) {
  TBytes result;
  for (int v : values) result.append(static_cast<char>(v));
  return result;
}

QString Chars(std::initializer_list<char16_t> units) {
  QString result;
  for (char16_t u : units) result.append(QChar(u));
  return result;
}

// "é€Œ" followed by U+1F600 (grinning face) as a surrogate pair.
const QString kMixed = QString::fromUtf8("A é€Œ \xF0\x9F\x98\x80");

struct RoundTripCase {
  const char* name;
  TEncoding* (*encoding)();
  QString text;
  TBytes bytes;
};

class EncodingRoundTripTest : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(EncodingRoundTripTest, EncodesAndDecodes) {
  const RoundTripCase& c = GetParam();
  TEncoding* encoding = c.encoding();
  EXPECT_EQ(encoding->GetBytes(c.text), c.bytes);
  EXPECT_EQ(encoding->GetString(c.bytes), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EncodingRoundTripTest,
    ::testing::Values(
        RoundTripCase{"AnsiLatin", &TEncoding::ANSI, QString::fromUtf8("café ÿ"),
                      Bytes({'c', 'a', 'f', 0xE9, ' ', 0xFF})},
        RoundTripCase{"AnsiWindowsRange", &TEncoding::ANSI, QString::fromUtf8("€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ"),
                      Bytes({0x80, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8A, 0x8B,
                             0x8C, 0x8E, 0x91, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99,
                             0x9A, 0x9B, 0x9C, 0x9E, 0x9F})},
        RoundTripCase{"AnsiGaps", &TEncoding::ANSI, Chars({0x81, 0x8D, 0x8F, 0x90, 0x9D}),
                      Bytes({0x81, 0x8D, 0x8F, 0x90, 0x9D})},
        RoundTripCase{"AnsiControls", &TEncoding::ANSI, Chars({0x00, 0x09, 0x7F, 0xA0}),
                      Bytes({0x00, 0x09, 0x7F, 0xA0})},
        RoundTripCase{"Ascii", &TEncoding::ASCII, QStringLiteral("Plain text ~\t\r\n"),
                      TBytes("Plain text ~\t\r\n")},
        RoundTripCase{"Utf8", &TEncoding::UTF8, kMixed,
                      Bytes({'A', ' ', 0xC3, 0xA9, 0xE2, 0x82, 0xAC, 0xC5, 0x92, ' ', 0xF0, 0x9F,
                             0x98, 0x80})},
        RoundTripCase{"Utf8Limits", &TEncoding::UTF8, Chars({0x7F, 0x80, 0x7FF, 0x800, 0xFFFF, 0xDBFF, 0xDFFF}),
                      Bytes({0x7F, 0xC2, 0x80, 0xDF, 0xBF, 0xE0, 0xA0, 0x80, 0xEF, 0xBF, 0xBF,
                             0xF4, 0x8F, 0xBF, 0xBF})},
        RoundTripCase{"Utf16LE", &TEncoding::Unicode, kMixed,
                      Bytes({'A', 0, ' ', 0, 0xE9, 0, 0xAC, 0x20, 0x52, 0x01, ' ', 0, 0x3D, 0xD8,
                             0x00, 0xDE})},
        RoundTripCase{"Utf16BE", &TEncoding::BigEndianUnicode, kMixed,
                      Bytes({0, 'A', 0, ' ', 0, 0xE9, 0x20, 0xAC, 0x01, 0x52, 0, ' ', 0xD8, 0x3D,
                             0xDE, 0x00})},
        RoundTripCase{"Utf16KeepsLoneSurrogates", &TEncoding::Unicode, Chars({0xD800, 'x', 0xDC00}),
                      Bytes({0x00, 0xD8, 'x', 0, 0x00, 0xDC})},
        RoundTripCase{"Empty", &TEncoding::UTF8, QString(), TBytes()}),
    [](const ::testing::TestParamInfo<RoundTripCase>& info) { return std::string(info.param.name); });

struct ReplacementCase {
  const char* name;
  TEncoding* (*encoding)();
  QString text;
  TBytes expected;
};

class EncodingReplacementTest : public ::testing::TestWithParam<ReplacementCase> {};

TEST_P(EncodingReplacementTest, UnmappableCharactersBecomeQuestionMarks) {
  const ReplacementCase& c = GetParam();
  EXPECT_EQ(c.encoding()->GetBytes(c.text), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EncodingReplacementTest,
    ::testing::Values(
        ReplacementCase{"AnsiCyrillicAndCjk", &TEncoding::ANSI, QString::fromUtf8("aЖ中b"), TBytes("a??b")},
        ReplacementCase{"AnsiSurrogatePairIsOneChar", &TEncoding::ANSI, kMixed,
                        Bytes({'A', ' ', 0xE9, 0x80, 0x8C, ' ', '?'})},
        ReplacementCase{"AnsiLoneSurrogates", &TEncoding::ANSI, Chars({0xDC00, 0xD800}), TBytes("??")},
        ReplacementCase{"AnsiUndefinedC1", &TEncoding::ANSI, Chars({0x80, 0x9F}), TBytes("??")},
        ReplacementCase{"AsciiAccentsAndEuro", &TEncoding::ASCII, kMixed, TBytes("A ??? ?")},
        ReplacementCase{"AsciiLatin1Range", &TEncoding::ASCII, Chars({0x80, 0xFF}), TBytes("??")},
        ReplacementCase{"Utf8LoneSurrogates", &TEncoding::UTF8, Chars({'a', 0xDC00, 0xD800, 'b'}),
                        TBytes("a\xEF\xBF\xBD\xEF\xBF\xBD" "b")},
        ReplacementCase{"Utf8HighSurrogateAtEnd", &TEncoding::UTF8, Chars({'a', 0xD83D}),
                        TBytes("a\xEF\xBF\xBD")}),
    [](const ::testing::TestParamInfo<ReplacementCase>& info) { return std::string(info.param.name); });

TEST(EncodingTest, AsciiDecodesHighBytesAsQuestionMarks) {
  EXPECT_EQ(TEncoding::ASCII()->GetString(Bytes({'a', 0x80, 0xE9, 0xFF, 'b'})), "a???b");
}

TEST(EncodingTest, AnsiTableCoversEveryByte) {
  TBytes all;
  for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
  const QString text = TEncoding::ANSI()->GetString(all);
  ASSERT_EQ(text.size(), 256);
  EXPECT_FALSE(text.contains(QChar(0xFFFD)));
  EXPECT_EQ(TEncoding::ANSI()->GetBytes(text), all);
}

struct InvalidUtf8Case {
  const char* name;
  TBytes bytes;
  QString expected;
};

class Utf8InvalidTest : public ::testing::TestWithParam<InvalidUtf8Case> {};

TEST_P(Utf8InvalidTest, InvalidSequencesDecodeToReplacementCharacters) {
  EXPECT_EQ(TEncoding::UTF8()->GetString(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Utf8InvalidTest,
    ::testing::Values(
        InvalidUtf8Case{"StrayContinuation", Bytes({'a', 0x80, 'b'}), Chars({'a', 0xFFFD, 'b'})},
        InvalidUtf8Case{"TwoStrayContinuations", Bytes({0xBF, 0x80}), Chars({0xFFFD, 0xFFFD})},
        InvalidUtf8Case{"OverlongTwoBytes", Bytes({0xC0, 0xAF}), Chars({0xFFFD, 0xFFFD})},
        InvalidUtf8Case{"OverlongThreeBytes", Bytes({0xE0, 0x80, 0xAF}), Chars({0xFFFD, 0xFFFD, 0xFFFD})},
        InvalidUtf8Case{"EncodedSurrogate", Bytes({0xED, 0xA0, 0x80}), Chars({0xFFFD, 0xFFFD, 0xFFFD})},
        InvalidUtf8Case{"AboveMaximum", Bytes({0xF4, 0x90, 0x80, 0x80}),
                        Chars({0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD})},
        InvalidUtf8Case{"InvalidLeadBytes", Bytes({0xF5, 0xFE, 0xFF}), Chars({0xFFFD, 0xFFFD, 0xFFFD})},
        InvalidUtf8Case{"TruncatedAtEnd", Bytes({'a', 0xE2, 0x82}), Chars({'a', 0xFFFD})},
        InvalidUtf8Case{"TruncatedBeforeAscii", Bytes({0xF0, 0x9F, 0x98, 'x'}), Chars({0xFFFD, 'x'})},
        InvalidUtf8Case{"TruncatedBeforeLead", Bytes({0xC3, 0xC3, 0xA9}), Chars({0xFFFD, 0xE9})}),
    [](const ::testing::TestParamInfo<InvalidUtf8Case>& info) { return std::string(info.param.name); });

TEST(EncodingTest, OddTrailingByteOfUtf16IsDropped) {
  EXPECT_EQ(TEncoding::Unicode()->GetString(Bytes({'h', 0, 'i', 0, 'x'})), "hi");
  EXPECT_EQ(TEncoding::BigEndianUnicode()->GetString(Bytes({0, 'h', 0, 'i', 0})), "hi");
  EXPECT_EQ(TEncoding::Unicode()->GetString(Bytes({'x'})), "");
}

TEST(EncodingTest, PreamblesAndProperties) {
  struct Row {
    TEncoding* encoding;
    TBytes preamble;
    int codePage;
    bool singleByte;
  };
  const Row rows[] = {
      {TEncoding::ANSI(), TBytes(), 1252, true},
      {TEncoding::ASCII(), TBytes(), 20127, true},
      {TEncoding::UTF8(), Bytes({0xEF, 0xBB, 0xBF}), 65001, false},
      {TEncoding::Unicode(), Bytes({0xFF, 0xFE}), 1200, false},
      {TEncoding::BigEndianUnicode(), Bytes({0xFE, 0xFF}), 1201, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.codePage);
    EXPECT_EQ(row.encoding->GetPreamble(), row.preamble);
    EXPECT_EQ(row.encoding->CodePage(), row.codePage);
    EXPECT_EQ(row.encoding->IsSingleByte(), row.singleByte);
    EXPECT_EQ(TEncoding::GetEncoding(row.codePage), row.encoding);
    EXPECT_EQ(TEncoding::GetEncodingByName(row.encoding->EncodingName()), row.encoding);
    EXPECT_TRUE(TEncoding::IsStandardEncoding(row.encoding));
  }
  EXPECT_EQ(TEncoding::Default(), TEncoding::ANSI());
  EXPECT_EQ(TEncoding::GetEncoding(437), nullptr);
  EXPECT_EQ(TEncoding::GetEncoding(0), nullptr);
  EXPECT_FALSE(TEncoding::IsStandardEncoding(nullptr));
}

TEST(EncodingTest, GetEncodingByName) {
  const std::pair<const char*, TEncoding*> rows[] = {
      {"utf-8", TEncoding::UTF8()},
      {"UTF-8", TEncoding::UTF8()},
      {"utf8", TEncoding::UTF8()},
      {" utf-8 ", TEncoding::UTF8()},
      {"windows-1252", TEncoding::ANSI()},
      {"Windows-1252", TEncoding::ANSI()},
      {"cp1252", TEncoding::ANSI()},
      {"ISO-8859-1", TEncoding::ANSI()},
      {"latin1", TEncoding::ANSI()},
      {"us-ascii", TEncoding::ASCII()},
      {"ASCII", TEncoding::ASCII()},
      {"utf-16", TEncoding::Unicode()},
      {"UTF-16LE", TEncoding::Unicode()},
      {"utf-16be", TEncoding::BigEndianUnicode()},
      {"", nullptr},
      {"utf-32", nullptr},
      {"iso-8859-15", nullptr},
      {"utf-8x", nullptr},
  };
  for (const auto& [name, expected] : rows)
    EXPECT_EQ(TEncoding::GetEncodingByName(QString::fromLatin1(name)), expected) << name;
}

TEST(EncodingTest, Latin1NameDecodesWindowsCharacters) {
  EXPECT_EQ(TEncoding::GetEncodingByName("iso-8859-1")->GetString(Bytes({0x80, 0x9C})),
            QString::fromUtf8("€œ"));
}

TEST(EncodingTest, GetBufferEncodingDetectsPreambles) {
  struct Row {
    const char* name;
    TBytes buffer;
    TEncoding* given;
    TEncoding* defaultEncoding;
    TEncoding* expectedEncoding;
    int expectedLength;
  };
  TEncoding* const utf8 = TEncoding::UTF8();
  TEncoding* const le = TEncoding::Unicode();
  TEncoding* const be = TEncoding::BigEndianUnicode();
  TEncoding* const ansi = TEncoding::ANSI();
  const Row rows[] = {
      {"Utf8Bom", Bytes({0xEF, 0xBB, 0xBF, 'a'}), nullptr, nullptr, utf8, 3},
      {"Utf8BomOnly", Bytes({0xEF, 0xBB, 0xBF}), nullptr, nullptr, utf8, 3},
      {"Utf16LEBom", Bytes({0xFF, 0xFE, 'a', 0}), nullptr, nullptr, le, 2},
      {"Utf16BEBom", Bytes({0xFE, 0xFF, 0, 'a'}), nullptr, nullptr, be, 2},
      {"PartialUtf8Bom", Bytes({0xEF, 0xBB}), nullptr, nullptr, ansi, 0},
      {"NoBomGivesDefault", TBytes("abc"), nullptr, nullptr, ansi, 0},
      {"NoBomGivesDefaultEncoding", TBytes("abc"), nullptr, utf8, utf8, 0},
      {"EmptyBuffer", TBytes(), nullptr, be, be, 0},
      {"BomWinsOverDefault", Bytes({0xFF, 0xFE}), nullptr, utf8, le, 2},
      {"GivenMatchesBom", Bytes({0xEF, 0xBB, 0xBF, 'a'}), utf8, nullptr, utf8, 3},
      {"GivenWithoutBom", TBytes("abc"), utf8, nullptr, utf8, 0},
      {"GivenOtherBomIsKept", Bytes({0xFF, 0xFE, 'a', 0}), utf8, nullptr, utf8, 0},
      {"GivenAnsiHasNoPreamble", Bytes({0xEF, 0xBB, 0xBF}), ansi, nullptr, ansi, 0},
      {"GivenBigEndian", Bytes({0xFE, 0xFF, 0, 'a'}), be, le, be, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TEncoding* encoding = row.given;
    EXPECT_EQ(TEncoding::GetBufferEncoding(row.buffer, encoding, row.defaultEncoding),
              row.expectedLength);
    EXPECT_EQ(encoding, row.expectedEncoding);
  }
}

TEST(EncodingTest, ConvertBetweenEncodings) {
  const TBytes utf8 = TEncoding::UTF8()->GetBytes(kMixed);
  EXPECT_EQ(TEncoding::Convert(TEncoding::UTF8(), TEncoding::ANSI(), utf8),
            Bytes({'A', ' ', 0xE9, 0x80, 0x8C, ' ', '?'}));
  EXPECT_EQ(TEncoding::Convert(TEncoding::UTF8(), TEncoding::BigEndianUnicode(), utf8),
            TEncoding::BigEndianUnicode()->GetBytes(kMixed));
  EXPECT_EQ(TEncoding::Convert(TEncoding::Unicode(), TEncoding::UTF8(),
                               TEncoding::Unicode()->GetBytes(kMixed)),
            utf8);
  // A null encoding stands for the default (ANSI) one.
  EXPECT_EQ(TEncoding::Convert(nullptr, TEncoding::UTF8(), Bytes({0x80})), TBytes("\xE2\x82\xAC"));
  EXPECT_EQ(TEncoding::Convert(TEncoding::UTF8(), nullptr, TBytes("\xE2\x82\xAC")), Bytes({0x80}));
}

TEST(EncodingTest, GetStringOfARange) {
  const TBytes bytes("hello world");
  EXPECT_EQ(TEncoding::ANSI()->GetString(bytes, 6, 5), "world");
  EXPECT_EQ(TEncoding::ANSI()->GetString(bytes, 0, 0), "");
  EXPECT_EQ(TEncoding::ANSI()->GetString(bytes, 11, 0), "");
  EXPECT_EQ(TEncoding::Unicode()->GetString(Bytes({'a', 0, 'b', 0, 'c', 0}), 2, 4), "bc");

  const std::pair<int, int> invalid[] = {{-1, 1}, {0, -1}, {0, 12}, {12, 0}, {6, 6}, {1, INT_MAX}};
  for (const auto& [index, count] : invalid) {
    SCOPED_TRACE(testing::Message() << index << "," << count);
    try {
      TEncoding::UTF8()->GetString(bytes, index, count);
      ADD_FAILURE() << "no exception";
    } catch (const EEncodingError& e) {
      EXPECT_EQ(e.Message(), "Invalid source array");
    }
  }
}

}  // namespace
