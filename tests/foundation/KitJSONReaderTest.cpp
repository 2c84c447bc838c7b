// TKitJSONReader: tokens, scopes, limits and every error, on complete,
// malformed and truncated documents.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "foundation/KitJSONReader.h"
#include "tests/foundation/JSONReaderTestSupport.h"
#include "tests/support/TestSupport.h"

using jsontest::Trace;
using testsupport::RaisedMessage;

namespace {

const char kExpectedValue[] = "!Value expected but invalid character found";

}  // namespace

TEST(KitJSONReader, Tokens) {
  struct Case {
    QByteArray Json;
    QString Expected;
  } cases[] = {
      {"{}", u"{ } eof"_qs},
      {" {\r\n} ", u"{ } eof"_qs},
      {"{}\r\n\r\n\n", u"{ } eof"_qs},
      {"\t\f\r\n[]", u"[ ] eof"_qs},
      {"[[],{}]", u"[ [ ] { } ] eof"_qs},
      {"{\"a\":1}", u"{ name:a num:1 } eof"_qs},
      {"{ \"a\" : { \"b\" : [ ] } , \"c\" : null }",
       u"{ name:a { name:b [ ] } name:c null } eof"_qs},
      {"[1, 2.5, -3e2, true, NULL, \"x\"]", u"[ num:1 num:2.5 num:-3e2 true null text:x ] eof"_qs},
      {"[TRUE,False,nUlL]", u"[ true false null ] eof"_qs},
      {"[-0,0,1E5,1e-5,2.5E+3,-1.25e-2]", u"[ num:0 num:0 num:1E5 num:1e-5 num:2.5E+3 num:-1.25e-2 ] eof"_qs},
      {"[1 ]", u"[ num:1 ] eof"_qs},
      {"{\"a\":true}", u"{ name:a true } eof"_qs},
      // Texts end at the first quote; escapes are decoded afterwards.
      {"[\"a\\u0022b\"]", u"[ text:a\"b ] eof"_qs},
      {"[\"tab\\tnew\\nline\\/\"]", u"[ text:tab\tnew\nline/ ] eof"_qs},
      {"[\"a\\\"b\"]", u"[ !Unexpected end of string"_qs},
      {"[\"\\q\"]", u"[ !Invalid code at position 1"_qs},
      // Bytes are characters of the ANSI code page; names are unescaped too.
      {"[\"caf\xE9 \x80\"]", u"[ text:caf\u00E9 \u20AC ] eof"_qs},
      {"{\"\\u00E9t\\u00E9\":1}", u"{ name:\u00E9t\u00E9 num:1 } eof"_qs},
      {"{\"a\\u0022b\":1}", u"{ name:a\"b num:1 } eof"_qs},
  };
  for (const Case& c : cases) EXPECT_EQ(Trace(c.Json), c.Expected) << c.Json.constData();
}

TEST(KitJSONReader, StructureErrors) {
  struct Case {
    QByteArray Json;
    QString Expected;
  } cases[] = {
      {"[01]", u"[ "_qs + kExpectedValue},
      {"[-01]", u"[ "_qs + kExpectedValue},
      {"[1,]", u"[ num:1 "_qs + kExpectedValue},
      {"[1x]", u"[ "_qs + kExpectedValue},
      {"[1\"a\"]", u"[ "_qs + kExpectedValue},
      {"[truex]", u"[ "_qs + kExpectedValue},
      {"[tx]", u"[ "_qs + kExpectedValue},
      {"[nul]", u"[ "_qs + kExpectedValue},
      {"[x]", u"[ "_qs + kExpectedValue},
      {"['a']", u"[ "_qs + kExpectedValue},
      {"[,1]", u"[ "_qs + kExpectedValue},
      {"{\"a\":]", u"{ name:a "_qs + kExpectedValue},
      {"1", u"!Object or array expected as top-level value"_qs},
      {"\"x\"", u"!Object or array expected as top-level value"_qs},
      {"true", u"!Object or array expected as top-level value"_qs},
      {"]", kExpectedValue},
      {"{}{}", u"{ } !Multiple root values not allowed"_qs},
      {"[1]x", u"[ num:1 ] !Multiple root values not allowed"_qs},
      {"{\"a\" 1}", u"{ name:a !Colon expected"_qs},
      {"{\"a\":1 \"b\":2}", u"{ name:a num:1 !Unterminated object"_qs},
      {"{\"a\":1]", u"{ name:a num:1 !Unterminated object"_qs},
      {"{1:2}", u"{ !Name expected"_qs},
      {"{\"a\":1,}", u"{ name:a num:1 !Name expected"_qs},
      {"{,}", u"{ !Name expected"_qs},
      {"[1 2]", u"[ num:1 !Unterminated array"_qs},
      {"[1}", u"[ num:1 !Unterminated array"_qs},
  };
  for (const Case& c : cases) EXPECT_EQ(Trace(c.Json), c.Expected) << c.Json.constData();
}

TEST(KitJSONReader, NumberForms) {
  const char* bad[] = {"[-]", "[1.]", "[1e]", "[1e+]", "[.5]", "[+1]", "[--1]", "[1.5.2]",
                       "[1e5e5]", "[1-2]", "[0x10]", "[1.e5]", "[-e5]"};
  for (const char* json : bad) EXPECT_EQ(Trace(json), u"[ "_qs + kExpectedValue) << json;
  // Literal delimiters end a number as well as blanks and brackets do.
  EXPECT_EQ(Trace("[1\t]"), u"[ num:1 ] eof"_qs);
  EXPECT_EQ(Trace("[1/]"), u"[ num:1 !Unterminated array"_qs);
}

TEST(KitJSONReader, TruncatedInput) {
  struct Case {
    QByteArray Json;
    QString Expected;
  } cases[] = {
      {"", u"!Object or array expected as top-level value"_qs},
      {"  \r\n", u"!Object or array expected as top-level value"_qs},
      {"[", u"[ "_qs + kExpectedValue},
      {"{", u"{ !Name expected"_qs},
      {"[1,", u"[ num:1 "_qs + kExpectedValue},
      {"[1", u"[ num:1 !Unterminated array"_qs},
      {"{\"a\":", u"{ name:a "_qs + kExpectedValue},
      {"{\"ab", u"{ name:ab !Colon expected"_qs},
      {"[\"ab", u"[ text:ab !Unterminated array"_qs},
      {"[tru", u"[ !End of JSON input reached."_qs},
      {"{\"a\":fals", u"{ name:a !End of JSON input reached."_qs},
      {"[\"a\\", u"[ !Unexpected end of string"_qs},
  };
  for (const Case& c : cases) EXPECT_EQ(Trace(c.Json), c.Expected) << c.Json.constData();

  // Every proper prefix of a document fails with one of the reader's errors;
  // only the whole document reads to the end.
  const QByteArray document =
      "{\"name\":\"caf\\u00E9\",\"list\":[1,-2.5e3,true,false,null,{\"x\":[]}],\"n\":-12}";
  for (int length = 0; length < document.size(); ++length) {
    const QString trace = Trace(document.left(length));
    EXPECT_TRUE(trace.contains(u'!')) << length << ": " << trace.toStdString();
  }
  EXPECT_TRUE(Trace(document).endsWith(u"} eof"_qs));
}

TEST(KitJSONReader, DamagedDocumentsRaiseReaderErrors) {
  // Any single damaged byte either still reads to the end or stops the
  // reading with an error of the reader or of the text decoding.
  const QByteArray document = "{\"a\":[1,-2.5e3,true,null,\"x\\u00E9\"],\"b\":{\"c\":false}}";
  const QByteArray replacements("\"\\{}[],:0-e.tx \x80\0", 17);  // the NUL byte too
  int stopped = 0;
  for (int i = 0; i < document.size(); ++i) {
    for (const char replacement : replacements) {
      QByteArray damaged = document;
      damaged[i] = replacement;
      const QString trace = Trace(damaged);
      EXPECT_TRUE(trace.endsWith(u"eof"_qs) || trace.contains(u'!')) << damaged.constData();
      stopped += trace.contains(u'!');
    }
  }
  EXPECT_GT(stopped, document.size());
}

TEST(KitJSONReader, NestingLimit) {
  const QByteArray deepest = QByteArray(255, '[') + QByteArray(255, ']');
  EXPECT_TRUE(Trace(deepest).endsWith(u"] eof"_qs));

  const QByteArray tooDeep = QByteArray(256, '[') + QByteArray(256, ']');
  EXPECT_TRUE(Trace(tooDeep).endsWith(u"[ !Maximum level of nested structured reached."_qs));
  EXPECT_EQ(Trace(tooDeep).count(u'['), 255);  // entering the 256th raises

  // Skipping counts the levels too.
  TBytesStream stream(QByteArray("[") + tooDeep + "]");
  TKitJSONReader reader(&stream);
  reader.ReadBeginArray();
  EXPECT_EQ(RaisedMessage([&] { reader.SkipValue(); }), u"Maximum level of nested structured reached."_qs);
}

TEST(KitJSONReader, NumberLength) {
  const QByteArray digits254(254, '7');
  EXPECT_EQ(Trace("[" + digits254 + "]"), u"[ num:"_qs + QString::fromLatin1(digits254) + u" ] eof"_qs);
  const QByteArray digits255(255, '7');
  EXPECT_EQ(Trace("[" + digits255 + "]"), u"[ "_qs + kExpectedValue);

  const QByteArray fraction = "1." + QByteArray(252, '0');  // 254 characters
  TBytesStream stream("[" + fraction + "," + fraction + "5]");
  TKitJSONReader reader(&stream);
  reader.ReadBeginArray();
  EXPECT_DOUBLE_EQ(reader.ReadDouble(), 1.0);
  EXPECT_EQ(RaisedMessage([&] { reader.Peek(); }), QString::fromLatin1(kExpectedValue + 1));
}

TEST(KitJSONReader, IntegerReads) {
  TBytesStream stream(
      "[42,-3e2,3000000000,2.5,\"42\",\"$1F\",\"x\",true,-2147483648,9223372036854775807,"
      "-9223372036854775808,9223372036854775808,\"-7\",4e0]");
  TKitJSONReader reader(&stream);
  reader.ReadBeginArray();
  EXPECT_EQ(reader.ReadInteger(), 42);
  EXPECT_EQ(reader.ReadInteger(), -300);
  EXPECT_EQ(RaisedMessage([&] { reader.ReadInteger(); }), u"Invalid Json parser state. Expected state: 11"_qs);
  EXPECT_EQ(reader.ReadInt64(), 3000000000LL);  // still peeked after the failure
  EXPECT_EQ(RaisedMessage([&] { reader.ReadInteger(); }), u"Invalid Json parser state. Expected state: 11"_qs);
  EXPECT_DOUBLE_EQ(reader.ReadDouble(), 2.5);
  EXPECT_EQ(reader.ReadInteger(), 42);
  EXPECT_EQ(reader.ReadInteger(), 31);
  EXPECT_EQ(RaisedMessage([&] { reader.ReadInteger(); }), u"'x' is not a valid floating point value"_qs);
  EXPECT_EQ(reader.ReadString(), u"x"_qs);  // the buffered text
  EXPECT_EQ(RaisedMessage([&] { reader.ReadInteger(); }), u"Invalid Json parser state. Expected state: 11"_qs);
  EXPECT_TRUE(reader.ReadBoolean());
  EXPECT_EQ(reader.ReadInteger(), std::numeric_limits<int>::min());
  EXPECT_EQ(reader.ReadInt64(), std::numeric_limits<Int64>::max());
  EXPECT_EQ(reader.ReadInt64(), std::numeric_limits<Int64>::min());
  EXPECT_EQ(RaisedMessage([&] { reader.ReadInt64(); }), u"Invalid Json parser state. Expected state: 11"_qs);
  EXPECT_EQ(reader.ReadString(), u"9223372036854775808"_qs);
  EXPECT_EQ(reader.ReadInt64(), -7);
  EXPECT_EQ(reader.ReadInt64(), 4);
  reader.ReadEndArray();
  EXPECT_TRUE(reader.Eof());
}

TEST(KitJSONReader, DoubleReads) {
  TBytesStream stream("[2.5,7,\"1.25\",\"NAN\",\"inf\",\"-INF\",1e400,null]");
  TKitJSONReader reader(&stream);
  reader.ReadBeginArray();
  EXPECT_DOUBLE_EQ(reader.ReadDouble(), 2.5);
  EXPECT_DOUBLE_EQ(reader.ReadDouble(), 7.0);
  EXPECT_DOUBLE_EQ(reader.ReadDouble(), 1.25);
  EXPECT_TRUE(std::isnan(reader.ReadDouble()));
  EXPECT_EQ(reader.ReadDouble(), std::numeric_limits<double>::infinity());
  EXPECT_EQ(reader.ReadDouble(), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(RaisedMessage([&] { reader.ReadDouble(); }), u"'1e400' is not a valid floating point value"_qs);
  EXPECT_EQ(reader.ReadString(), u"1e400"_qs);
  EXPECT_EQ(RaisedMessage([&] { reader.ReadDouble(); }), u"Invalid Json parser state. Expected state: 12"_qs);
}

TEST(KitJSONReader, FloatsFollowTheGlobalDecimalSeparator) {
  const QChar saved = FormatSettings.DecimalSeparator;
  FormatSettings.DecimalSeparator = u',';
  TBytesStream stream("[2.5,\"2,5\"]");
  TKitJSONReader reader(&stream);
  reader.ReadBeginArray();
  const QString message = RaisedMessage([&] { reader.ReadDouble(); });
  reader.ReadString();
  const double comma = reader.ReadDouble();
  FormatSettings.DecimalSeparator = saved;
  EXPECT_EQ(message, u"'2.5' is not a valid floating point value"_qs);
  EXPECT_DOUBLE_EQ(comma, 2.5);
}

TEST(KitJSONReader, WrongTokenNamesTheExpectedState) {
  struct Case {
    QByteArray Json;
    std::function<void(TKitJSONReader&)> Read;
    int Expected;
  } cases[] = {
      {"[null]", [](TKitJSONReader& r) { r.ReadString(); }, 8},
      {"[1]", [](TKitJSONReader& r) { r.ReadBoolean(); }, 5},
      {"[1]", [](TKitJSONReader& r) { r.ReadNull(); }, 7},
      {"[1]", [](TKitJSONReader& r) { r.ReadName(); }, 10},
      {"[1]", [](TKitJSONReader& r) { r.ReadBeginObject(); }, 1},
      {"[1]", [](TKitJSONReader& r) { r.ReadEndObject(); }, 2},
      {"[{}]", [](TKitJSONReader& r) { r.ReadBeginArray(); }, 3},
      {"[1]", [](TKitJSONReader& r) { r.ReadEndArray(); }, 4},
      {"[[]]", [](TKitJSONReader& r) { r.ReadInt64(); }, 11},
      {"[{}]", [](TKitJSONReader& r) { r.ReadDouble(); }, 12},
      {"[\"a\"]", [](TKitJSONReader& r) { r.PeekName(); }, 10},
  };
  for (const Case& c : cases) {
    TBytesStream stream(c.Json);
    TKitJSONReader reader(&stream);
    reader.ReadBeginArray();
    EXPECT_EQ(RaisedMessage([&] { c.Read(reader); }),
              u"Invalid Json parser state. Expected state: %1"_qs.arg(c.Expected))
        << c.Json.constData();
  }
}

TEST(KitJSONReader, PeekingHelpers) {
  TBytesStream stream("{\"n\\u00E9\":[1,null],\"b\":2}\r\n");
  TKitJSONReader reader(&stream);
  EXPECT_TRUE(reader.HasNext());
  reader.ReadBeginObject();
  EXPECT_EQ(reader.Peek(), jstoName);
  EXPECT_EQ(reader.PeekName(), u"n\u00E9"_qs);
  EXPECT_EQ(reader.PeekName(), u"n\u00E9"_qs);
  EXPECT_EQ(reader.ReadName(), u"n\u00E9"_qs);
  reader.ReadBeginArray();
  EXPECT_TRUE(reader.HasNext());
  EXPECT_FALSE(reader.IsNull());
  reader.ReadInteger();
  EXPECT_TRUE(reader.IsNull());
  reader.ReadNull();
  EXPECT_FALSE(reader.HasNext());
  reader.ReadEndArray();
  EXPECT_EQ(reader.ReadName(), u"b"_qs);
  EXPECT_EQ(reader.ReadInteger(), 2);
  EXPECT_FALSE(reader.HasNext());
  EXPECT_FALSE(reader.Eof());
  reader.ReadEndObject();
  EXPECT_TRUE(reader.Eof());
  EXPECT_TRUE(reader.HasNext());  // the end of the input is no closing bracket
}

TEST(KitJSONReader, SkipValue) {
  TBytesStream stream("{\"a\":{\"b\":[1,{\"c\":\"}]\"},\"x\"]},\"d\":2,\"e\":[true],\"f\":3}");
  TKitJSONReader reader(&stream);
  reader.ReadBeginObject();
  EXPECT_EQ(reader.ReadName(), u"a"_qs);
  reader.SkipValue();
  EXPECT_EQ(reader.ReadName(), u"d"_qs);
  reader.SkipValue();  // a number
  reader.SkipValue();  // a name
  reader.ReadBeginArray();
  EXPECT_TRUE(reader.ReadBoolean());
  reader.SkipValue();  // the closing bracket
  EXPECT_EQ(reader.ReadName(), u"f"_qs);
  EXPECT_EQ(reader.ReadInteger(), 3);
  reader.ReadEndObject();
  EXPECT_TRUE(reader.Eof());
}

TEST(KitJSONReader, StreamReaderCharacters) {
  TBytesStream source("a\xE9");
  TKitJSONStreamReader chars(&source);
  EXPECT_EQ(chars.PeekChar(), QChar(u'a'));
  EXPECT_EQ(chars.ReadChar(), QChar(u'a'));
  chars.Backup(u'a');
  chars.MoveNext(1);
  EXPECT_EQ(chars.NextChar(), QChar(0xE9));
  EXPECT_TRUE(chars.Eof());
  EXPECT_EQ(chars.ReadChar(), QChar(0));
  EXPECT_EQ(chars.PeekChar(), QChar(0));
  EXPECT_EQ(RaisedMessage([&] { chars.NextChar(); }), u"End of JSON input reached."_qs);
}
