// TKitUtils: picture signatures, escaping, markup, Base64 and hex texts,
// numbers, URLs, character sets, paths, resources, shell and downloads.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QUrl>
#include <QtGlobal>

#include "foundation/KitUtils.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Graphics.h"
#include "platform/win32/Clipboard.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/FakeShell.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/TestSupport.h"

using testsupport::RaisedMessage;

namespace {

TBytes Bytes(std::initializer_list<int> values) {
  TBytes bytes;
  for (int v : values) bytes += static_cast<char>(v);
  return bytes;
}

std::unique_ptr<TBytesStream> StreamOf(const TBytes& bytes) {
  return std::make_unique<TBytesStream>(bytes);
}

// Sets the global separators for one test and puts them back.
class SeparatorsGuard {
 public:
  SeparatorsGuard(QChar decimal, QChar thousand)
      : FDecimal(FormatSettings.DecimalSeparator), FThousand(FormatSettings.ThousandSeparator) {
    FormatSettings.DecimalSeparator = decimal;
    FormatSettings.ThousandSeparator = thousand;
  }
  ~SeparatorsGuard() {
    FormatSettings.DecimalSeparator = FDecimal;
    FormatSettings.ThousandSeparator = FThousand;
  }

 private:
  QChar FDecimal, FThousand;
};

// A home folder of its own for the length of a test, so the documents
// folder is a fresh one inside it.
struct HomeOverride {
  explicit HomeOverride(const QString& home) : Home("HOME", home), Config("XDG_CONFIG_HOME", QString()) {}
  testsupport::EnvOverride Home, Config;
};

}  // namespace

// --- Picture signatures -----------------------------------------------------

TEST(KitUtilsImageType, SignatureTable) {
  struct Case {
    TBytes Data;
    const char* Expected;
  } cases[] = {
      {TBytes("GIF89a"), ".gif"},
      {Bytes({0x42, 0x4D, 0x10, 0x20}), ".bmp"},
      {Bytes({0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A}), ".png"},
      {Bytes({0x49, 0x49, 0x2A, 0x00}), ".tiff"},
      {Bytes({0x4D, 0x4D, 0x2A, 0x00}), ".tiff"},
      {Bytes({0xFF, 0xD8, 0xFF, 0xE0}), ".jpg"},
      {Bytes({0xFF, 0xD8, 0xFF, 0xE1}), ".jpg"},
      {Bytes({0xFF, 0xD8, 0xFF, 0xDB}), ".jpg"},
      {Bytes({0xFF, 0xD8, 0xFF, 0xEE}), ""},
      {Bytes({0x00, 0x00, 0x01, 0x00}), ".unknown"},
      {Bytes({0x00, 0x00, 0x00, 0x00}), ".empty"},
      {TBytes("<svg xmlns"), ""},
      {TBytes("GIF"), ""},  // fewer than four bytes
      {TBytes(), ""},
  };
  for (const Case& c : cases) {
    auto stream = StreamOf(c.Data);
    EXPECT_EQ(TKitUtils::GetImageType(stream.get(), true), QString::fromLatin1(c.Expected))
        << c.Data.toHex().constData();
  }
}

TEST(KitUtilsImageType, PositionIsPutBack) {
  auto stream = StreamOf(TBytes("xxGIF89a"));
  stream->SetPosition(2);
  EXPECT_EQ(TKitUtils::GetImageType(stream.get(), false), ".gif");
  EXPECT_EQ(stream->Position(), 2);
  EXPECT_EQ(TKitUtils::GetImageType(stream.get(), true), "");  // "xxGI" from the start
  EXPECT_EQ(stream->Position(), 2);

  auto shortStream = StreamOf(TBytes("GIF"));
  shortStream->SetPosition(1);
  EXPECT_EQ(TKitUtils::GetImageType(shortStream.get(), true), "");
  EXPECT_EQ(shortStream->Position(), 1);
}

// --- JSON escaping ------------------------------------------------------------

TEST(KitUtilsEscape, EscapeTable) {
  struct Case {
    QString In;
    QString Out;
  } cases[] = {
      {u"plain/text 1"_qs, u"plain/text 1"_qs},
      {u"\""_qs, u"\\u0022"_qs},
      {u"\\"_qs, u"\\u005C"_qs},
      {u"\b\f\n\r\t"_qs, u"\\u0008\\u000C\\u000A\\u000D\\u0009"_qs},
      {u"\u00E9t\u00E9"_qs, u"\\u00E9t\\u00E9"_qs},
      {u"\u20AC\uFFFF"_qs, u"\\u20AC\\uFFFF"_qs},
      {QString(QChar(0x01)), QString(QChar(0x01))},  // other controls are copied
      {u"\U0001F600"_qs, u"\\uD83D\\uDE00"_qs},       // each code unit on its own
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TKitUtils::EscapeString(c.In), c.Out);
    EXPECT_EQ(TKitUtils::UnescapeString(c.Out), c.In);
  }
}

TEST(KitUtilsEscape, UnescapeForms) {
  struct Case {
    QString In;
    QString Out;
  } cases[] = {
      {u"a\\\\b"_qs, u"a\\b"_qs},
      {u"\\/"_qs, u"/"_qs},
      {u"\\b\\f\\n\\r\\t"_qs, u"\b\f\n\r\t"_qs},
      {u"\\u00e9"_qs, u"\u00E9"_qs},
      {u"x\\u0041y"_qs, u"xAy"_qs},
      {u"no escapes"_qs, u"no escapes"_qs},
  };
  for (const Case& c : cases) EXPECT_EQ(TKitUtils::UnescapeString(c.In), c.Out) << c.In.toStdString();
}

TEST(KitUtilsEscape, UnescapeErrors) {
  struct Case {
    QString In;
    const char* Message;
  } cases[] = {
      {u"abc\\"_qs, "Unexpected end of string"},
      {u"\\\""_qs, "Invalid code at position 1"},
      {u"ab\\x"_qs, "Invalid code at position 3"},
      {u"\\u00"_qs, "Invalid code at position 1"},
      {u"\\u00G1"_qs, "Invalid code at position 1"},
      {u"ok\\n\\u12"_qs, "Invalid code at position 5"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RaisedMessage([&] { TKitUtils::UnescapeString(c.In); }), QString::fromLatin1(c.Message))
        << c.In.toStdString();
  }
}

// --- Markup -----------------------------------------------------------------

TEST(KitUtilsMarkup, FixAndUnfix) {
  EXPECT_EQ(TKitUtils::FixMarkup(u"a<b & c"_qs, false), u"a&lt;b &amp; c"_qs);
  EXPECT_EQ(TKitUtils::FixMarkup(u"a<b & c"_qs, true), u"a&lt;b&nbsp;&amp;&nbsp;c"_qs);
  EXPECT_EQ(TKitUtils::FixMarkup(u"\"x\" > *amp;"_qs, false), u"&quot;x&quot; &gt; &amp;"_qs);
  EXPECT_EQ(TKitUtils::FixMarkup(u"\u00E9\u00C9(c)$'\u20AC\u0101\u0100"_qs, true),
            u"&eacute;&Eacute;&copy;&#36;&#39;&euro;&#257;\u0100"_qs);

  EXPECT_EQ(TKitUtils::UnFixMarkup(u"a&lt;b&nbsp;&amp;&nbsp;c"_qs, true, false), u"a<b & c"_qs);
  EXPECT_EQ(TKitUtils::UnFixMarkup(u"a&lt;b&nbsp;c"_qs, false, false), u"a<b&nbsp;c"_qs);
  EXPECT_EQ(TKitUtils::UnFixMarkup(u"a&lt;b&nbsp;c"_qs, true, true), u"a&lt;b c"_qs);
  // Each row repeats until its text is gone, so a doubled escape unfolds.
  EXPECT_EQ(TKitUtils::UnFixMarkup(u"&amp;amp;"_qs, false, false), u"&"_qs);
  EXPECT_EQ(TKitUtils::UnFixMarkup(u"&Eacute;&eacute;&copy;&#x00FD;&#221;"_qs, true, false),
            u"\u00C9\u00E9(c)\u00FD\u00DD"_qs);

  // Round trip of every special character the table knows.
  const QString special = u"\u00E9\u00E8\u00C7\u00F1\u00D0\u00BD\u00B0\u00A7\u00B6\u2122\u2030 $'"_qs;
  EXPECT_EQ(TKitUtils::UnFixMarkup(TKitUtils::FixMarkup(special, true), true, false), special);
}

TEST(KitUtilsMarkup, IndexesAndSpecialChars) {
  EXPECT_EQ(TKitUtils::GetMarkupIndex(u"&Eacute;"_qs), 25);
  EXPECT_EQ(TKitUtils::GetMarkupIndex(u"&eacute;"_qs), 5);
  EXPECT_EQ(TKitUtils::GetMarkupIndex(u"&NBSP;"_qs), 4);  // no accent word: any case
  EXPECT_EQ(TKitUtils::GetMarkupIndex(u"&sect;"_qs), 61);  // first of the repeated rows
  EXPECT_EQ(TKitUtils::GetMarkupIndex(u"&nothing;"_qs), -1);
  EXPECT_EQ(TKitUtils::GetSpecialChar(1), u"&"_qs);
  EXPECT_EQ(TKitUtils::GetSpecialChar(52), u"(c)"_qs);
  EXPECT_EQ(TKitUtils::GetSpecialChar(86), u"\u00D0"_qs);
  EXPECT_EQ(RaisedMessage([] { TKitUtils::GetSpecialChar(0); }), "List index out of bounds (0)");
  EXPECT_EQ(RaisedMessage([] { TKitUtils::GetSpecialChar(87); }), "List index out of bounds (87)");
}

TEST(KitUtilsMarkup, IndexOfTextInArray) {
  const QStringList values = {u"Alpha"_qs, u"beta"_qs, u"&Ecirc;"_qs, u"&ecirc;"_qs};
  EXPECT_EQ(TKitUtils::IndexOfTextInArray(u"ALPHA"_qs, values), 0);
  EXPECT_EQ(TKitUtils::IndexOfTextInArray(u"Beta"_qs, values), 1);
  EXPECT_EQ(TKitUtils::IndexOfTextInArray(u"&ecirc;"_qs, values), 3);
  EXPECT_EQ(TKitUtils::IndexOfTextInArray(u"&ECIRC;"_qs, values), 2);  // "circ" not in it
  EXPECT_EQ(TKitUtils::IndexOfTextInArray(u"gamma"_qs, values), -1);
}

TEST(KitUtilsText, HTMLStrip) {
  EXPECT_EQ(TKitUtils::HTMLStrip(u"a<BR>b<i>c</i>"_qs), u"a\r\nbc"_qs);
  EXPECT_EQ(TKitUtils::HTMLStrip(u"a<br>b<hR>c"_qs), u"a\r\nb\r\nc"_qs);
  EXPECT_EQ(TKitUtils::HTMLStrip(u"x <b"_qs), u"x <b"_qs);
  EXPECT_EQ(TKitUtils::HTMLStrip(u"a > 1 <b>c</b>"_qs), u"a > 1 c"_qs);
  EXPECT_EQ(TKitUtils::HTMLStrip(u"<p>one</p><p>two"_qs), u"onetwo"_qs);
}

TEST(KitUtilsText, SearchHelpers) {
  EXPECT_EQ(TKitUtils::IPos(u"LO w"_qs, u"Hello World"_qs), 4);
  EXPECT_EQ(TKitUtils::IPos(u"xyz"_qs, u"Hello"_qs), 0);

  QString dest = u"<B>bold</b>"_qs;
  EXPECT_TRUE(TKitUtils::TagReplaceString(u"</B>"_qs, u"</STRONG>"_qs, dest));
  EXPECT_EQ(dest, u"<B>bold</STRONG>"_qs);
  EXPECT_FALSE(TKitUtils::TagReplaceString(u"<i>"_qs, u"x"_qs, dest));
  EXPECT_EQ(dest, u"<B>bold</STRONG>"_qs);

  int result = -1;
  EXPECT_EQ(TKitUtils::VarPos(u"b"_qs, u"aBb"_qs, result), 3);
  EXPECT_EQ(result, 3);
  EXPECT_EQ(TKitUtils::VarPosNoCase(u"b"_qs, u"aBb"_qs, result), 2);
  EXPECT_EQ(result, 2);

  EXPECT_EQ(TKitUtils::CharInStr(u"abc"_qs, 1), QChar(u'a'));
  EXPECT_EQ(TKitUtils::CharInStr(u"abc"_qs, 3), QChar(u'c'));
  EXPECT_EQ(TKitUtils::CharInStr(u"abc"_qs, 0), QChar(0));
  EXPECT_EQ(TKitUtils::CharInStr(u"abc"_qs, 4), QChar(0));

  EXPECT_TRUE(TKitUtils::IsHTML(u"a</b>"_qs));
  EXPECT_TRUE(TKitUtils::IsHTML(u"<img/>"_qs));
  EXPECT_TRUE(TKitUtils::IsHTML(u"a<br>b"_qs));
  EXPECT_FALSE(TKitUtils::IsHTML(u"a < b > c"_qs));
  EXPECT_TRUE(TKitUtils::IsHTMLUnicode(u"x<Br>"_qs));
}

TEST(KitUtilsText, Split) {
  TStringList list;
  list.Add(u"old"_qs);
  TKitUtils::Split(u';', u"a;;b c;\"d;e\";"_qs, &list, false);
  EXPECT_EQ(list.Count(), 5);
  EXPECT_EQ(list.Strings(0), u"a"_qs);
  EXPECT_EQ(list.Strings(1), u""_qs);
  EXPECT_EQ(list.Strings(2), u"b c"_qs);  // strict: the blank does not split
  EXPECT_EQ(list.Strings(3), u"d;e"_qs);
  TKitUtils::Split(u';', u"a;;b c;\"d;e\";"_qs, &list, true);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Strings(2), u"d;e"_qs);
  EXPECT_EQ(list.Delimiter(), QChar(u';'));
}

TEST(KitUtilsText, EnDeCryptAndURL) {
  const QString text = u"Secret \u00E9 text 123"_qs;
  const QString scrambled = TKitUtils::EnDeCrypt(text);
  EXPECT_NE(scrambled, text);
  EXPECT_EQ(TKitUtils::EnDeCrypt(scrambled), text);
  EXPECT_EQ(TKitUtils::EnDeCrypt(u"A"_qs), u"D"_qs);  // 0x41 -> 0x40 + (1 xor 5)

  EXPECT_EQ(TKitUtils::URLEncode(u"a b~c-._Z9/\u00E9"_qs), u"a%20b%7Ec-._Z9%2F%C3%A9"_qs);
  EXPECT_EQ(TKitUtils::URLDecode(u"a%20b%7Ec-._Z9%2F%C3%A9"_qs), u"a b~c-._Z9/\u00E9"_qs);
  EXPECT_EQ(TKitUtils::URLDecode(u"a+b"_qs), u"a+b"_qs);
  EXPECT_EQ(TKitUtils::URLDecode(u"x%2fy"_qs), u"xy"_qs);  // lower-case digits give nothing
  EXPECT_EQ(TKitUtils::URLDecode(u"ab%4"_qs), u"ab"_qs);   // a short escape is dropped
  EXPECT_EQ(TKitUtils::URLDecode(u"%20%20x%20"_qs), u"x"_qs);
  EXPECT_EQ(TKitUtils::URLDecode(QString()), QString());
}

// --- Character sets -----------------------------------------------------------

TEST(KitUtilsCharSets, Operations) {
  EXPECT_EQ(TKitUtils::NumericCharSet().size(), 10);
  EXPECT_EQ(TKitUtils::AlphaCharSet().size(), 52);
  EXPECT_EQ(TKitUtils::AlphaCharSet().first(), QChar(u'a'));
  EXPECT_EQ(TKitUtils::AlphaCharSet().last(), QChar(u'Z'));
  const TKitUtilsCharSet abca = TKitUtils::CreateCharSet(u"abca"_qs);
  EXPECT_EQ(abca, (TKitUtilsCharSet{u'a', u'b', u'c', u'a'}));
  EXPECT_EQ(TKitUtils::AddCharSet(abca, TKitUtils::CreateCharSet(u"x"_qs)).size(), 5);
  EXPECT_EQ(TKitUtils::SubCharSet(abca, TKitUtils::CreateCharSet(u"b"_qs)),
            (TKitUtilsCharSet{u'a', u'c', u'a'}));
  EXPECT_TRUE(TKitUtils::CharInSet(u'c', abca));
  EXPECT_FALSE(TKitUtils::CharInSet(u'C', abca));
}

// --- Numbers and dates ----------------------------------------------------------

TEST(KitUtilsNumbers, MulDiv) {
  struct Case {
    int Number, Numerator, Denominator, Expected;
  } cases[] = {
      {3, 1, 2, 2}, {-3, 1, 2, -2}, {5, 3, 2, 8}, {10, 96, 72, 13}, {7, 1, 0, -1},
      {2000000000, 3, 3, 2000000000},  // the product needs 64 bits
  };
  for (const Case& c : cases)
    EXPECT_EQ(TKitUtils::MulDivInt(c.Number, c.Numerator, c.Denominator), c.Expected);
  EXPECT_FLOAT_EQ(TKitUtils::MulDivSingle(3, 1, 2), 1.5f);
  EXPECT_FLOAT_EQ(TKitUtils::MulDivSingle(3, 1, 0), -1.0f);
}

TEST(KitUtilsNumbers, DotConversionsRestoreTheLocale) {
  SeparatorsGuard comma(u',', u'.');
  EXPECT_DOUBLE_EQ(TKitUtils::StrToFloatDot(u"1.5"_qs), 1.5);
  double value = 0;
  EXPECT_TRUE(TKitUtils::TryStrToFloatDot(u"-2.25"_qs, value));
  EXPECT_DOUBLE_EQ(value, -2.25);
  EXPECT_FALSE(TKitUtils::TryStrToFloatDot(u"2,5"_qs, value));
  EXPECT_EQ(TKitUtils::FloatToStrDot(0.125), u"0.125"_qs);
  EXPECT_EQ(RaisedMessage([] { TKitUtils::StrToFloatDot(u"x"_qs); }), u"'x' is not a valid floating point value"_qs);
  EXPECT_EQ(FormatSettings.DecimalSeparator, QChar(u','));
  EXPECT_EQ(FormatSettings.ThousandSeparator, QChar(u'.'));
}

TEST(KitUtilsNumbers, FormatBytesAsString) {
  SeparatorsGuard dot(u'.', u',');
  struct Case {
    Extended Size;
    const char* Expected;
  } cases[] = {
      {-1, ""},         {-5, ""},        {0, "0 Bytes"},          {512, "512 Bytes"},
      {1536, "1.50 KB"}, {1048576, "1.00 MB"}, {5.5 * 1073741824.0, "5.50 GB"},
      {1099511627776.0, "1.00 TB"}, {2048 * 1099511627776.0, "2048.00 TB"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TKitUtils::FormatBytesAsString(c.Size), QString::fromLatin1(c.Expected)) << c.Size;
  SeparatorsGuard comma(u',', u'.');
  EXPECT_EQ(TKitUtils::FormatBytesAsString(1536), u"1,50 KB"_qs);
}

TEST(KitUtilsNumbers, EpochAndVersion) {
  EXPECT_DOUBLE_EQ(TKitUtils::EpochToDateTime(u"0"_qs), EncodeDate(1970, 1, 1));
  EXPECT_DOUBLE_EQ(TKitUtils::EpochToDateTime(u"86400"_qs), EncodeDate(1970, 1, 2));
  EXPECT_DOUBLE_EQ(TKitUtils::EpochToDateTime(u"1700000000"_qs),
                   EncodeDateTime(2023, 11, 14, 22, 13, 20, 0));
  EXPECT_THROW(TKitUtils::EpochToDateTime(u"12.5"_qs), EConvertError);

  EXPECT_EQ(FormatVersionNumber(1, 1, 4, 6), u"1.1.4.6"_qs);
  EXPECT_EQ(FormatVersionNumber(127, 0, 12, 127), u"127.0.12.127"_qs);
  EXPECT_EQ(MakeWord(6, 4), 0x0406);
  EXPECT_EQ(MakeLong(0x0406, 0x0101), 0x01010406);
  EXPECT_EQ(HiWord(0x01010406), 0x0101);
}

// --- Hex and Base64 -------------------------------------------------------------

TEST(KitUtilsStreams, HexText) {
  auto stream = StreamOf(Bytes({0x00, 0x1F, 0xA0, 0xFF}));
  stream->SetPosition(3);
  EXPECT_EQ(TKitUtils::SaveStreamToHexStr(stream.get()), u"001FA0FF"_qs);
  EXPECT_EQ(TKitUtils::HexStrToBytes(u"001fA0Ff"_qs), Bytes({0x00, 0x1F, 0xA0, 0xFF}));
  EXPECT_EQ(TKitUtils::HexStrToBytes(u"ABC"_qs), Bytes({0xAB}));
  EXPECT_EQ(RaisedMessage([] { TKitUtils::HexStrToBytes(u"0G"_qs); }), u"'$0G' is not a valid integer value"_qs);

  TBytesStream target(TBytes("xy"));
  target.SetPosition(1);
  TKitUtils::LoadStreamFromHexStr(u"414243"_qs, &target);
  EXPECT_EQ(target.Bytes(), TBytes("xABC"));
  // A character outside the code page is no digit, whatever its low byte.
  EXPECT_EQ(RaisedMessage([&] { TKitUtils::LoadStreamFromHexStr(u"4\u0141"_qs, &target); }),
            u"'$4?' is not a valid integer value"_qs);
}

TEST(KitUtilsStreams, Base64) {
  auto stream = StreamOf(Bytes({0xFB, 0xFF}));
  EXPECT_EQ(TKitUtils::SaveStreamToBase64(stream.get(), false), u"+/8="_qs);
  EXPECT_EQ(TKitUtils::SaveStreamToBase64(stream.get(), true), u"-_8"_qs);
  EXPECT_EQ(TKitUtils::Decode64ToBytes(u"-_8"_qs, true), Bytes({0xFB, 0xFF}));
  EXPECT_EQ(TKitUtils::Decode64ToBytes(u"+/8="_qs, false), Bytes({0xFB, 0xFF}));
  EXPECT_TRUE(TKitUtils::Decode64ToBytes(QString(), true).isEmpty());

  // Padding of URL-safe text: length 6 takes two "=", length 7 one.
  const TBytes four("abcd"), five("abcde");
  auto s4 = StreamOf(four), s5 = StreamOf(five);
  const QString url4 = TKitUtils::SaveStreamToBase64(s4.get(), true);
  const QString url5 = TKitUtils::SaveStreamToBase64(s5.get(), true);
  EXPECT_EQ(url4.size(), 6);
  EXPECT_EQ(url5.size(), 7);
  EXPECT_EQ(TKitUtils::Decode64ToBytes(url4, true), four);
  EXPECT_EQ(TKitUtils::Decode64ToBytes(url5, true), five);

  // Long data has no line breaks.
  auto big = StreamOf(TBytes(300, 'x'));
  EXPECT_FALSE(TKitUtils::SaveStreamToBase64(big.get(), false).contains(u'\n'));

  TMemoryStream target;
  TKitUtils::LoadStreamFromBase64(u"R0lGODlh"_qs, &target, false);
  EXPECT_EQ(TKitUtils::GetImageType(&target, true), ".gif");
}

// --- Paths, resources, shell, fonts, log ---------------------------------------------

TEST(KitUtilsFiles, Paths) {
  EXPECT_EQ(TKitUtils::AddBackslash(QString()), QString());
  EXPECT_EQ(TKitUtils::AddBackslash(u"C:\\dir"_qs), u"C:\\dir\\"_qs);
  EXPECT_EQ(TKitUtils::AddBackslash(u"C:\\dir\\"_qs), u"C:\\dir\\"_qs);
  EXPECT_EQ(TKitUtils::AddForwardslash(u"/tmp"_qs), u"/tmp/"_qs);
  EXPECT_EQ(TKitUtils::AddForwardslash(u"/tmp/"_qs), u"/tmp/"_qs);
  EXPECT_EQ(TKitUtils::AddForwardslash(QString()), QString());

  EXPECT_TRUE(TKitUtils::GetAppPath().endsWith(u'/'));
  EXPECT_TRUE(FileExists(QCoreApplication::applicationFilePath()));
  EXPECT_EQ(TKitUtils::GetAppPath() + ExtractFileName(QCoreApplication::applicationFilePath()),
            QCoreApplication::applicationFilePath());
  EXPECT_TRUE(TKitUtils::GetTempPath().endsWith(u'/'));
  EXPECT_TRUE(DirectoryExists(TKitUtils::GetTempPath()));
  EXPECT_NE(TKitUtils::GetHInstance(), 0);
}

TEST(KitUtilsFiles, DocumentsFolder) {
  testsupport::TempDir home;
  {
    HomeOverride override(home.Path());
    EXPECT_EQ(TKitUtils::GetDocumentsPath(), home.File(u"Documents"_qs));
    EXPECT_TRUE(DirectoryExists(home.File(u"Documents"_qs)));
  }
  HomeOverride unusable(u"/proc/no-such-home"_qs);
  EXPECT_EQ(RaisedMessage([] { TKitUtils::GetDocumentsPath(); }), u"Unspecified error"_qs);
}

TEST(KitUtilsFiles, ResourceStreams) {
  auto logo = TKitUtils::GetResourceStream(u"KitLogo"_qs);
  ASSERT_NE(logo, nullptr);
  EXPECT_EQ(TKitUtils::GetImageType(logo.get(), true), ".gif");
  EXPECT_EQ(TKitUtils::GetResourceStream(u"NoSuchResource"_qs), nullptr);
}

TEST(KitUtilsShell, OpenFileAndURL) {
  testsupport::TempDir dir;
  const QString report = dir.File(u"report.pdf"_qs);
  QFile file(report);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();

  testsupport::FakeShell shell;
  TKitUtils::OpenFile(report);
  TKitUtils::OpenURL(u"https://example.org/a?b=1"_qs);
  TKitUtils::OpenURL(u"javascript:alert(1)"_qs);  // refused by the shell
  TKitUtils::OpenFile(dir.File(u"missing.pdf"_qs));
  ASSERT_EQ(shell.Opened.size(), 2);
  EXPECT_EQ(shell.Opened[0], QUrl::fromLocalFile(report));
  EXPECT_EQ(shell.Opened[1], QUrl(u"https://example.org/a?b=1"_qs));
}

TEST(KitUtilsDialogs, Messages) {
  testsupport::FakeMessageDialogs dialogs;
  dialogs.Answers = {mrOk, mrNo};
  EXPECT_EQ(TKitUtils::Message(u"Saved."_qs), mrOk);
  EXPECT_EQ(TKitUtils::Message(u"Replace?"_qs, mtConfirmation, mbYesNo, 7), mrNo);
  ASSERT_EQ(dialogs.Requests.size(), 2);
  EXPECT_EQ(dialogs.Requests[0].Text, u"Saved."_qs);
  EXPECT_EQ(dialogs.Requests[0].DlgType, mtInformation);
  EXPECT_EQ(dialogs.Requests[0].Buttons, QList<TModalResult>{mrOk});
  EXPECT_EQ(dialogs.Requests[1].DlgType, mtConfirmation);
  EXPECT_EQ(dialogs.Requests[1].Buttons, (QList<TModalResult>{mrYes, mrNo}));
  EXPECT_EQ(dialogs.Requests[1].HelpCtx, 7);
}

TEST(KitUtilsDialogs, SelectFile) {
  testsupport::TempDir home;
  HomeOverride override(home.Path());
  testsupport::FakeFileDialogs dialogs;
  dialogs.Answers = {TFileDialogResult{true, {u"/data/in.csv"_qs}, 1}};
  QString name = u"old.csv"_qs;
  QList<std::pair<QString, bool>> heard;
  auto callBack = [&](const QString& fileName, bool result) { heard.append({fileName, result}); };
  EXPECT_TRUE(TKitUtils::SelectFile(name, u"/data"_qs, u"CSV files|*.csv"_qs, callBack));
  EXPECT_EQ(name, u"/data/in.csv"_qs);
  EXPECT_FALSE(TKitUtils::SelectFile(name, QString(), u"All|*.*"_qs, callBack));  // cancelled
  EXPECT_EQ(name, u"/data/in.csv"_qs);
  EXPECT_EQ(heard, (QList<std::pair<QString, bool>>{{u"/data/in.csv"_qs, true}, {u"/data/in.csv"_qs, false}}));

  ASSERT_EQ(dialogs.Requests.size(), 2);
  const TFileDialogParams& first = dialogs.Requests[0];
  EXPECT_EQ(first.Kind, fdkOpen);
  EXPECT_EQ(first.Options, TOpenOptions{ofFileMustExist});
  EXPECT_EQ(first.InitialDir, u"/data/"_qs);
  EXPECT_EQ(first.Filters, (QList<TFileDialogFilter>{{u"CSV files"_qs, {u"*.csv"_qs}}}));
  EXPECT_EQ(dialogs.Requests[1].InitialDir, home.File(u"Documents/"_qs));
}

TEST(KitUtilsDialogs, SaveFile) {
  testsupport::TempDir home;
  HomeOverride override(home.Path());
  testsupport::FakeFileDialogs dialogs;
  dialogs.Answers = {TFileDialogResult{true, {u"/out/renamed"_qs}, 1},
                     TFileDialogResult{true, {u"/out/other.txt"_qs}, 1}};
  QString name = u"/data/leads.csv"_qs;
  EXPECT_TRUE(TKitUtils::SaveFile(name, u"CSV files|*.csv"_qs));
  EXPECT_EQ(name, u"/out/renamed.csv"_qs);  // the extension of the name passed in
  const TFileDialogParams& request = dialogs.Requests[0];
  EXPECT_EQ(request.Kind, fdkSave);
  EXPECT_TRUE(request.Options.Contains(ofOverwritePrompt));
  EXPECT_EQ(request.InitialDir, u"/data/"_qs);
  EXPECT_EQ(request.FileName, u"leads.csv"_qs);

  name = u"plain"_qs;
  bool heard = false;
  EXPECT_TRUE(TKitUtils::SaveFile(name, QString(), [&](const QString& n, bool r) { heard = r && n == name; }));
  EXPECT_EQ(name, u"/out/other.txt"_qs);
  EXPECT_TRUE(heard);
  EXPECT_EQ(dialogs.Requests[1].InitialDir, home.File(u"Documents/"_qs));
  EXPECT_EQ(dialogs.Requests[1].FileName, u"plain"_qs);

  EXPECT_FALSE(TKitUtils::SaveFile(name, QString()));  // cancelled: the name stays
  EXPECT_EQ(name, u"/out/other.txt"_qs);
}

TEST(KitUtilsDialogs, ClipboardFormatsRegisteredAtStartUp) {
  EXPECT_EQ(GetClipboardFormatName(KitCFRichEditorText), u"RichEditorText"_qs);
  EXPECT_EQ(GetClipboardFormatName(KitCFStream), u"TKitClipBoard.StreamFormat"_qs);
  EXPECT_EQ(GetClipboardFormatName(KitCFRTF), u"Rich Text Format"_qs);
  EXPECT_EQ(GetClipboardFormatName(KitCFHTML), u"HTML Format"_qs);
  EXPECT_EQ(KitCFPicture, 2);
}

namespace {
QStringList gLogged;
void RecordMessage(QtMsgType, const QMessageLogContext&, const QString& text) { gLogged << text; }
}  // namespace

TEST(KitUtilsShell, LogGoesToTheDebugChannel) {
  gLogged.clear();
  const QtMessageHandler previous = qInstallMessageHandler(RecordMessage);
  TKitUtils::Log(u"state \"saved\""_qs);
  qInstallMessageHandler(previous);
  EXPECT_EQ(gLogged, QStringList{u"state \"saved\""_qs});
}

TEST(KitUtilsForms, OwnerAndParentForms) {
  TForm outer(nullptr);
  auto* inner = new TForm(&outer);
  auto* part = new TComponent(inner);
  auto* child = new TComponent(part);
  EXPECT_EQ(TKitUtils::GetOwnerForm(part), inner);
  EXPECT_EQ(TKitUtils::GetOwnerForm(child), inner);
  EXPECT_EQ(TKitUtils::GetOwnerForm(inner), &outer);  // the component itself does not count
  EXPECT_EQ(TKitUtils::GetOwnerForm(&outer), nullptr);
  EXPECT_EQ(TKitUtils::GetOwnerForm(nullptr), nullptr);

  auto* panel = new TCustomControl(&outer);
  panel->SetParent(&outer);
  auto* button = new TCustomControl(nullptr);
  std::unique_ptr<TCustomControl> loose(new TCustomControl(nullptr));
  button->SetParent(panel);
  EXPECT_EQ(TKitUtils::GetParentForm(button), &outer);
  EXPECT_EQ(TKitUtils::GetParentForm(&outer), &outer);
  EXPECT_EQ(TKitUtils::GetParentForm(loose.get()), nullptr);
  EXPECT_EQ(TKitUtils::GetParentForm(nullptr), nullptr);
}

TEST(KitUtilsForms, SetFontSize) {
  struct Case {
    Single Size;
    int Height;
  } cases[] = {{16, -16}, {12, -12}, {13, -13}, {14, -13} /* 10.5 points round to 10 */,
               {11.5f, -12}, {18, -19} /* 13.5 points round to 14 */, {0, 0}};
  TFont font;
  for (const Case& c : cases) {
    TKitUtils::SetFontSize(&font, c.Size);
    EXPECT_EQ(font.Height(), c.Height) << c.Size;
  }
}

TEST(KitUtilsShell, GetFonts) {
  TStringList fonts;
  fonts.Add(u"stale"_qs);
  TKitUtils::GetFonts(&fonts);
  ASSERT_GT(fonts.Count(), 0);
  EXPECT_EQ(fonts.IndexOf(u"stale"_qs), -1);
  EXPECT_NE(fonts.IndexOf(u"DejaVu Sans"_qs), -1);
  for (int i = 1; i < fonts.Count(); ++i) {
    EXPECT_LE(fonts.Strings(i - 1).compare(fonts.Strings(i), Qt::CaseInsensitive), 0);
    EXPECT_FALSE(SameText(fonts.Strings(i - 1), fonts.Strings(i)));
  }
}

// --- Downloads -------------------------------------------------------------------

TEST(KitUtilsDownload, ImageBodiesOnly) {
  testsupport::LoopbackHttpServer server;
  const QByteArray gif("GIF89a\x01\x00\x01\x00", 10);
  QByteArray big(5000, 'x');
  big.prepend("GIF89a");
  server.AddPage("/logo.gif", gif, "image/gif");
  server.AddPage("/big.gif", big, "IMAGE/GIF");
  server.AddPage("/page.html", "<html></html>", "text/html");

  auto logo = TKitUtils::DownloadImage(server.Url(u"/logo.gif"_qs));
  ASSERT_NE(logo, nullptr);
  EXPECT_EQ(logo->Size(), gif.size());
  EXPECT_EQ(TKitUtils::GetImageType(logo.get(), true), ".gif");
  EXPECT_EQ(TKitUtils::DownloadImage(server.Url(u"/big.gif"_qs))->Size(), big.size());
  EXPECT_EQ(TKitUtils::DownloadImage(server.Url(u"/page.html"_qs))->Size(), 0);
  EXPECT_EQ(server.Requests().front().Header("Pragma"), "no-cache");
}

TEST(KitUtilsDownload, RefusedURLsRaise) {
  const QString refused =
      u"http://127.0.0.1:%1/x.png"_qs.arg(testsupport::LoopbackHttpServer::UnusedPort());
  for (const QString& url : {refused, u"file:///etc/passwd"_qs, u"ftp://example.org/a.png"_qs}) {
    EXPECT_EQ(RaisedMessage([&] { TKitUtils::DownloadImage(url); }), u"Cannot open URL "_qs + url);
  }
}

