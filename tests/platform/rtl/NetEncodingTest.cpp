#include <gtest/gtest.h>

#include "platform/rtl/Encoding.h"
#include "platform/rtl/NetEncoding.h"
#include "tests/support/TestSupport.h"

namespace {

struct TextCase {
  const char* name;
  QString input;
  QString expected;
};

std::string CaseName(const ::testing::TestParamInfo<TextCase>& info) { return info.param.name; }

QString Utf8(const char* s) { return QString::fromUtf8(s); }

// --- Base64 ----------------------------------------------------------------

TEST(Base64Test, EncodesBytesWithPadding) {
  const std::pair<TBytes, const char*> rows[] = {
      {TBytes(), ""},
      {TBytes("f"), "Zg=="},
      {TBytes("fo"), "Zm8="},
      {TBytes("foo"), "Zm9v"},
      {TBytes("foob"), "Zm9vYg=="},
      {TBytes("\xFB\xFF", 2), "+/8="},
      {TBytes("\x00\x00\x00", 3), "AAAA"},
  };
  for (const auto& [bytes, text] : rows) {
    EXPECT_EQ(TNetEncoding::Base64String().EncodeBytesToString(bytes), text);
    EXPECT_EQ(TNetEncoding::Base64().EncodeBytes(bytes), TBytes(text));
    EXPECT_EQ(TNetEncoding::Base64().DecodeStringToBytes(text), bytes) << text;
  }
}

TEST(Base64Test, LineBreaksEvery76Characters) {
  // 57 bytes give exactly 76 characters: one line, no break.
  const TBytes line(57, 'x');
  EXPECT_EQ(TNetEncoding::Base64().EncodeBytes(line).size(), 76);
  EXPECT_FALSE(TNetEncoding::Base64().EncodeBytes(line).contains('\r'));

  TBytes data;
  for (int i = 0; i < 200; ++i) data.append(static_cast<char>(i));
  const TBytes plain = TNetEncoding::Base64String().EncodeBytes(data);
  const TBytes broken = TNetEncoding::Base64().EncodeBytes(data);
  ASSERT_EQ(plain.size(), 268);
  EXPECT_FALSE(plain.contains('\n'));
  const QList<QByteArray> lines = broken.split('\n');
  ASSERT_EQ(lines.size(), 4);
  EXPECT_EQ(lines[0], plain.mid(0, 76) + "\r");
  EXPECT_EQ(lines[1], plain.mid(76, 76) + "\r");
  EXPECT_EQ(lines[2], plain.mid(152, 76) + "\r");
  EXPECT_EQ(lines[3], plain.mid(228));
  EXPECT_EQ(TNetEncoding::Base64().DecodeBytes(broken), data);
  EXPECT_EQ(TNetEncoding::Base64String().DecodeBytes(broken), data);
}

class Base64DecodeTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(Base64DecodeTest, DecodesTextThroughUtf8) {
  EXPECT_EQ(TNetEncoding::Base64().Decode(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Base64DecodeTest,
    ::testing::Values(TextCase{"Padded", "Zm9vYg==", "foob"},
                      TextCase{"MissingPadding", "Zm9vYg", "foob"},
                      TextCase{"MissingOnePad", "Zm8", "fo"},
                      TextCase{"LineBreaksAndBlanks", "Zm9v\r\nYmFy\n YmF6", "foobarbaz"},
                      TextCase{"ForeignCharacters", "Zm9v*YmFy!", "foobar"},
                      TextCase{"StopsAtPadding", "Zg==Zm8=", "f"},
                      TextCase{"DanglingSextetDropped", "Zm9vY", "foo"},
                      TextCase{"Utf8Text", "Y2Fmw6kg4oKsIMWSIPCfmIA=", Utf8("café € Œ \xF0\x9F\x98\x80")},
                      TextCase{"InvalidUtf8", "/w==", QString(QChar(0xFFFD))},
                      TextCase{"Empty", "", ""}),
    CaseName);

TEST(Base64Test, TextRoundTripGoesThroughUtf8) {
  const QString text = Utf8("Ünïcödé € Œ \xF0\x9F\x98\x80");
  const QString encoded = TNetEncoding::Base64().Encode(text);
  EXPECT_EQ(encoded, QString::fromLatin1(TEncoding::UTF8()->GetBytes(text).toBase64()));
  EXPECT_EQ(TNetEncoding::Base64().Decode(encoded), text);
}

// --- URL -------------------------------------------------------------------

class URLEncodeTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(URLEncodeTest, Encodes) {
  EXPECT_EQ(TNetEncoding::URL().Encode(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, URLEncodeTest,
    ::testing::Values(TextCase{"Unreserved", "AZaz09-._~", "AZaz09-._~"},
                      TextCase{"Blank", "a b", "a+b"},
                      TextCase{"Reserved", "a+b&c=d/e?f%#", "a%2Bb%26c%3Dd%2Fe%3Ff%25%23"},
                      TextCase{"Controls", "\r\n", "%0D%0A"},
                      TextCase{"Utf8UpperHex", Utf8("é€"), "%C3%A9%E2%82%AC"},
                      TextCase{"Emoji", Utf8("\xF0\x9F\x98\x80"), "%F0%9F%98%80"},
                      TextCase{"Empty", "", ""}),
    CaseName);

class URLDecodeTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(URLDecodeTest, Decodes) {
  EXPECT_EQ(TNetEncoding::URL().Decode(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, URLDecodeTest,
    ::testing::Values(TextCase{"PlusIsBlank", "a+b", "a b"},
                      TextCase{"PercentBlank", "a%20b", "a b"},
                      TextCase{"LowerHex", "%c3%a9", Utf8("é")},
                      TextCase{"Utf8Sequence", "%E2%82%AC%F0%9F%98%80", Utf8("€\xF0\x9F\x98\x80")},
                      TextCase{"EncodedPlus", "1%2B1", "1+1"},
                      TextCase{"MalformedStays", "100% sure", "100% sure"},
                      TextCase{"ShortAtEnd", "abc%4", "abc%4"},
                      TextCase{"LonePercentAtEnd", "abc%", "abc%"},
                      TextCase{"NonHexDigits", "%zz%4g", "%zz%4g"},
                      TextCase{"PercentBeforeValid", "%%41", "%A"},
                      TextCase{"NonAsciiPassesThrough", Utf8("é+%41"), Utf8("é A")},
                      TextCase{"InvalidUtf8", "%FF", QString(QChar(0xFFFD))}),
    CaseName);

TEST(URLTest, RoundTrip) {
  const QString text = Utf8("name=Jean-Luc Picard & co/€ 100% \xF0\x9F\x98\x80");
  EXPECT_EQ(TNetEncoding::URL().Decode(TNetEncoding::URL().Encode(text)), text);
  EXPECT_EQ(TNetEncoding::URL().DecodeStringToBytes("a%00b"), TBytes("a\0b", 3));
}

// --- HTML ------------------------------------------------------------------

class HTMLEncodeTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(HTMLEncodeTest, Encodes) {
  EXPECT_EQ(TNetEncoding::HTML().Encode(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HTMLEncodeTest,
    ::testing::Values(TextCase{"Specials", "<a href=\"x\">&</a>",
                               "&lt;a href=&quot;x&quot;&gt;&amp;&lt;/a&gt;"},
                      TextCase{"ApostropheStays", "it's", "it's"},
                      TextCase{"NonAsciiStays", Utf8("é€\xF0\x9F\x98\x80"), Utf8("é€\xF0\x9F\x98\x80")},
                      TextCase{"AlreadyEncoded", "&amp;", "&amp;amp;"}),
    CaseName);

class HTMLDecodeTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(HTMLDecodeTest, Decodes) {
  EXPECT_EQ(TNetEncoding::HTML().Decode(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HTMLDecodeTest,
    ::testing::Values(
        TextCase{"Named", "&lt;b&gt; &quot;Tom &amp; Jerry&quot;", "<b> \"Tom & Jerry\""},
        TextCase{"Decimal", "&#65;&#233;&#8364;", Utf8("Aé€")},
        TextCase{"LeadingZeros", "&#00065;", "A"},
        TextCase{"AboveBmp", "&#128512;", Utf8("\xF0\x9F\x98\x80")},
        TextCase{"Maximum", "&#1114111;", QString::fromUcs4(U"\U0010FFFF")},
        TextCase{"OnePassOnly", "&amp;lt; &amp;#65;", "&lt; &#65;"},
        TextCase{"OtherNamedStay", "&nbsp;&eacute;&apos;", "&nbsp;&eacute;&apos;"},
        TextCase{"HexStays", "&#x41;&#X41;", "&#x41;&#X41;"},
        TextCase{"AboveRangeStays", "&#1114112;", "&#1114112;"},
        TextCase{"HugeNumberStays", "&#99999999999999999999;", "&#99999999999999999999;"},
        TextCase{"ZeroStays", "&#0;", "&#0;"},
        TextCase{"SurrogateStays", "&#55357;&#56832;", "&#55357;&#56832;"},
        TextCase{"MissingSemicolonStays", "&#65 &amp", "&#65 &amp"},
        TextCase{"NoDigitsStays", "&#;&;", "&#;&;"},
        TextCase{"UpperCaseNameStays", "&AMP;&Lt;", "&AMP;&Lt;"},
        TextCase{"LoneAmpersands", "a & b &&amp; &", "a & b && &"},
        TextCase{"TrailingAmpersand", "x&", "x&"},
        TextCase{"NonAsciiKept", Utf8("é &gt; \xF0\x9F\x98\x80"), Utf8("é > \xF0\x9F\x98\x80")},
        TextCase{"Empty", "", ""}),
    CaseName);

TEST(HTMLTest, RoundTripAndByteForms) {
  const QString text = Utf8("<p class=\"x\">Fish & Chips — 5 € \xF0\x9F\x98\x80</p>");
  EXPECT_EQ(TNetEncoding::HTML().Decode(TNetEncoding::HTML().Encode(text)), text);
  EXPECT_EQ(TNetEncoding::HTML().EncodeBytes(TBytes("a<\xC3\xA9")), TBytes("a&lt;\xC3\xA9"));
  EXPECT_EQ(TNetEncoding::HTML().DecodeBytes(TBytes("&#233;&amp;")), TBytes("\xC3\xA9&"));
}

}  // namespace
