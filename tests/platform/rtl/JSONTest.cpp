#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "platform/rtl/JSON.h"
#include "platform/rtl/SysUtils.h"
#include "tests/support/TestSupport.h"

namespace {

QString Utf8(const char* s) { return QString::fromUtf8(s); }

QString Units(std::initializer_list<char16_t> units) {
  QString result;
  for (char16_t u : units) result.append(QChar(u));
  return result;
}

// --- Valid values ------------------------------------------------------------

struct ValidCase {
  const char* name;
  QString text;
  const char* className;
  QString value;
  QString json;
};

class JSONParseValidTest : public ::testing::TestWithParam<ValidCase> {};

TEST_P(JSONParseValidTest, GivesTheValueTree) {
  const ValidCase& c = GetParam();
  const std::unique_ptr<TJSONValue> value = TJSONObject::ParseJSONValue(c.text);
  ASSERT_NE(value, nullptr) << c.text.toStdString();
  EXPECT_EQ(value->ClassName(), c.className);
  EXPECT_EQ(value->Value(), c.value);
  EXPECT_EQ(value->ToJSON(), c.json);
  EXPECT_EQ(value->ToString(), c.json);
  // The written form reads back to the same tree.
  const std::unique_ptr<TJSONValue> again = TJSONObject::ParseJSONValue(value->ToJSON());
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->ToJSON(), c.json);
  EXPECT_EQ(again->Value(), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Table, JSONParseValidTest,
    ::testing::Values(
        ValidCase{"String", "\"hello\"", "TJSONString", "hello", "\"hello\""},
        ValidCase{"EmptyString", "\"\"", "TJSONString", "", "\"\""},
        ValidCase{"Blanks", " \t\r\n\"x\" \r\n", "TJSONString", "x", "\"x\""},
        ValidCase{"Integer", "42", "TJSONNumber", "42", "42"},
        ValidCase{"NegativeZero", "-0", "TJSONNumber", "-0", "-0"},
        ValidCase{"NumberAsWritten", "-12.50E+03", "TJSONNumber", "-12.50E+03", "-12.50E+03"},
        ValidCase{"HugeInteger", "123456789012345678901234567890", "TJSONNumber",
                  "123456789012345678901234567890", "123456789012345678901234567890"},
        ValidCase{"True", "true", "TJSONTrue", "true", "true"},
        ValidCase{"False", " false ", "TJSONFalse", "false", "false"},
        ValidCase{"Null", "null", "TJSONNull", "null", "null"},
        ValidCase{"EmptyObject", "{ }", "TJSONObject", "", "{}"},
        ValidCase{"EmptyArray", "[\n]", "TJSONArray", "", "[]"},
        ValidCase{"Object", " { \"a\" : 1 , \"b\" : [ true , null , \"x\" ] } ", "TJSONObject", "",
                  "{\"a\":1,\"b\":[true,null,\"x\"]}"},
        ValidCase{"NestedArrays", "[1,[2,[3.5e-1]],{\"k\":{}}]", "TJSONArray", "",
                  "[1,[2,[3.5e-1]],{\"k\":{}}]"},
        ValidCase{"DuplicateNamesKept", "{\"a\":1,\"a\":2}", "TJSONObject", "", "{\"a\":1,\"a\":2}"},
        ValidCase{"EscapedName", "{\"a\\\"b\\u00e9\":0}", "TJSONObject", "", Utf8("{\"a\\\"bé\":0}")},
        ValidCase{"SimpleEscapes", "\"q\\\" b\\\\ s\\/ \\b\\f\\n\\r\\t\"", "TJSONString",
                  "q\" b\\ s/ \b\f\n\r\t", "\"q\\\" b\\\\ s/ \\b\\f\\n\\r\\t\""},
        ValidCase{"UnicodeEscapes", "\"\\u00e9\\u20AC\\u0152\"", "TJSONString", Utf8("é€Œ"),
                  Utf8("\"é€Œ\"")},
        ValidCase{"ControlEscape", "\"\\u0001\\u001F\\u007f\"", "TJSONString",
                  Units({0x01, 0x1F, 0x7F}), Units({'"', '\\', 'u', '0', '0', '0', '1', '\\', 'u',
                                                    '0', '0', '1', 'f', 0x7F, '"'})},
        ValidCase{"SurrogatePairEscape", "\"\\ud83d\\ude00\"", "TJSONString",
                  Utf8("\xF0\x9F\x98\x80"), Utf8("\"\xF0\x9F\x98\x80\"")},
        ValidCase{"RawNonAscii", Utf8("\"café \xF0\x9F\x98\x80\""), "TJSONString",
                  Utf8("café \xF0\x9F\x98\x80"), Utf8("\"café \xF0\x9F\x98\x80\"")},
        ValidCase{"LoneHighSurrogateKept", "\"a\\uD83Db\"", "TJSONString", Units({'a', 0xD83D, 'b'}),
                  "\"a\\ud83db\""},
        ValidCase{"LoneLowSurrogateKept", "\"\\uDE00\"", "TJSONString", Units({0xDE00}),
                  "\"\\ude00\""},
        ValidCase{"ReversedPairKept", "\"\\ude00\\ud83d\"", "TJSONString", Units({0xDE00, 0xD83D}),
                  "\"\\ude00\\ud83d\""},
        // A script's string result as the browser returns it.
        ValidCase{"BrowserStringResult",
                  "\"<span class=\\\"name\\\">Caf\\u00e9 &amp; Co</span>\\n\\t<b>Paris</b>\"",
                  "TJSONString", Utf8("<span class=\"name\">Café &amp; Co</span>\n\t<b>Paris</b>"),
                  Utf8("\"<span class=\\\"name\\\">Café &amp; Co</span>\\n\\t<b>Paris</b>\"")}),
    [](const ::testing::TestParamInfo<ValidCase>& info) { return std::string(info.param.name); });

// --- Bad input -------------------------------------------------------------

class JSONParseInvalidTest : public ::testing::TestWithParam<const char*> {};

TEST_P(JSONParseInvalidTest, GivesNoValue) {
  EXPECT_EQ(TJSONObject::ParseJSONValue(QString::fromUtf8(GetParam())), nullptr) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(
    Table, JSONParseInvalidTest,
    ::testing::Values("", "   ", "\"abc", "\"abc\\", "\"abc\\\"", "[1,2", "[1 2]", "{\"a\":1",
                      "{\"a\" 1}", "{a:1}", "{'a':1}", "{\"a\":}", "{,}", "[,1]", "[1,]",
                      "{\"a\":1,}", "{1:2}", "]", "}", ":", "01", "-01", "1.", ".5", "+1", "-",
                      "1e", "1e+", "1.e5", "0x10", "tru", "truex", "nul", "nulll", "True", "NULL",
                      "NaN", "Infinity", "-Infinity", "\"bad \\x escape\"", "\"\\u12G4\"",
                      "\"\\u12\"", "\"\\U0041\"", "\"tab\there\"", "\"line\nbreak\"", "1 2",
                      "{} {}", "[1] x", "\"a\" \"b\"", "'single'", "[\"a\"\"b\"]", "// comment\n1",
                      "\xC2\xA0" "1"));

TEST(JSONTest, ParsesUtf8Bytes) {
  const auto value = TJSONObject::ParseJSONValue(TBytes("{\"n\":\"caf\xC3\xA9 \xE2\x82\xAC\"}"));
  ASSERT_NE(value, nullptr);
  TJSONValue* n = static_cast<TJSONObject*>(value.get())->GetValue("n");
  ASSERT_NE(n, nullptr);
  EXPECT_EQ(n->Value(), Utf8("café €"));

  const auto invalid = TJSONObject::ParseJSONValue(TBytes("\"a\xFF\""));
  ASSERT_NE(invalid, nullptr);
  EXPECT_EQ(invalid->Value(), Units({'a', 0xFFFD}));
  EXPECT_EQ(TJSONObject::ParseJSONValue(TBytes("[1")), nullptr);
}

TEST(JSONTest, NestingIsLimited) {
  const int max = TJSONObject::MaxDepth;
  auto nested = [](int depth, const char* open, const char* close) {
    QString text;
    for (int i = 0; i < depth; ++i) text += QLatin1StringView(open);
    text += QLatin1StringView("0");
    for (int i = 0; i < depth; ++i) text += QLatin1StringView(close);
    return text;
  };
  EXPECT_EQ(max, 512);
  const auto deepest = TJSONObject::ParseJSONValue(nested(max, "[", "]"));
  ASSERT_NE(deepest, nullptr);
  const TJSONValue* item = deepest.get();
  for (int i = 0; i < max; ++i) item = static_cast<const TJSONArray*>(item)->Items(0);
  EXPECT_EQ(item->Value(), "0");

  EXPECT_NE(TJSONObject::ParseJSONValue(nested(max, "{\"a\":", "}")), nullptr);
  EXPECT_NE(TJSONObject::ParseJSONValue(nested(max / 2, "[{\"a\":", "}]")), nullptr);
  EXPECT_EQ(TJSONObject::ParseJSONValue(nested(max + 1, "[", "]")), nullptr);
  EXPECT_EQ(TJSONObject::ParseJSONValue(nested(max + 1, "{\"a\":", "}")), nullptr);
  EXPECT_EQ(TJSONObject::ParseJSONValue(nested(max / 2 + 1, "[{\"a\":", "}]")), nullptr);
  // Far deeper input, closed or not, ends without exhausting the stack.
  EXPECT_EQ(TJSONObject::ParseJSONValue(nested(1000000, "[", "]")), nullptr);
  EXPECT_EQ(TJSONObject::ParseJSONValue(QString(1000000, QLatin1Char('{'))), nullptr);
}

// --- Objects and arrays ---------------------------------------------------

TEST(JSONTest, ObjectPairsInOrder) {
  const auto value = TJSONObject::ParseJSONValue(
      "{\"name\":\"Ann\",\"age\":31,\"name\":\"Bob\",\"tags\":[\"a\",\"b\"],\"none\":null}");
  ASSERT_NE(value, nullptr);
  const TJSONObject* object = nullptr;
  ASSERT_TRUE(value->TryGetValue(object));
  ASSERT_EQ(object->Count(), 5);
  const char* names[] = {"name", "age", "name", "tags", "none"};
  const char* values[] = {"Ann", "31", "Bob", "", "null"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(object->Pairs(i)->JsonString()->Value(), names[i]);
    EXPECT_EQ(object->Pairs(i)->JsonValue()->Value(), values[i]);
  }
  // The first pair of a repeated name wins; names compare with case.
  EXPECT_EQ(object->GetValue("name")->Value(), "Ann");
  EXPECT_EQ(object->GetValue("Name"), nullptr);
  EXPECT_EQ(object->GetValue("missing"), nullptr);
  EXPECT_EQ(object->GetValue("none")->ClassName(), "TJSONNull");

  const TJSONArray* tags = nullptr;
  ASSERT_TRUE(object->GetValue("tags")->TryGetValue(tags));
  ASSERT_EQ(tags->Count(), 2);
  EXPECT_EQ(tags->Items(1)->Value(), "b");
}

TEST(JSONTest, IndexesAreRangeChecked) {
  const auto value = TJSONObject::ParseJSONValue("{\"a\":[1,2]}");
  ASSERT_NE(value, nullptr);
  const auto* object = static_cast<const TJSONObject*>(value.get());
  const auto* array = static_cast<const TJSONArray*>(object->GetValue("a"));
  const std::pair<std::function<void()>, const char*> rows[] = {
      {[&] { object->Pairs(1); }, "List index out of bounds (1)"},
      {[&] { object->Pairs(-1); }, "List index out of bounds (-1)"},
      {[&] { array->Items(2); }, "List index out of bounds (2)"},
      {[&] { array->Items(-1); }, "List index out of bounds (-1)"},
      {[&] { TJSONArray().Items(0); }, "List index out of bounds (0)"},
  };
  for (const auto& [call, message] : rows) {
    try {
      call();
      ADD_FAILURE() << "no exception for " << message;
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message(), message);
    }
  }
}

TEST(JSONTest, BuildsAndWritesTrees) {
  TJSONObject object;
  auto list = std::make_unique<TJSONArray>();
  list->Add("x\"y").Add(std::make_unique<TJSONNumber>(2.5)).Add(std::make_unique<TJSONTrue>());
  list->Add(std::unique_ptr<TJSONValue>());
  object.AddPair("text", Utf8("é\n"))
      .AddPair("count", std::make_unique<TJSONNumber>(Int64{-9007199254740993}))
      .AddPair("list", std::move(list))
      .AddPair("empty", std::make_unique<TJSONObject>())
      .AddPair("missing", std::unique_ptr<TJSONValue>())
      .AddPair(std::unique_ptr<TJSONPair>());
  const QString json = object.ToJSON();
  EXPECT_EQ(json, Utf8("{\"text\":\"é\\n\",\"count\":-9007199254740993,"
                       "\"list\":[\"x\\\"y\",2.5,true,null],\"empty\":{},\"missing\":null}"));
  const auto again = TJSONObject::ParseJSONValue(json);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->ToJSON(), json);
}

// --- Numbers -----------------------------------------------------------------

TEST(JSONNumberTest, Conversions) {
  struct Row {
    const char* text;
    bool intOk;
    int asInt;
    bool int64Ok;
    Int64 asInt64;
    double asDouble;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const Row rows[] = {
      {"42", true, 42, true, 42, 42.0},
      {"-7", true, -7, true, -7, -7.0},
      {"-0", true, 0, true, 0, -0.0},
      {"1e2", true, 100, true, 100, 100.0},
      {"2.50E1", true, 25, true, 25, 25.0},
      {"1.5", false, 0, false, 0, 1.5},
      {"2147483647", true, 2147483647, true, 2147483647, 2147483647.0},
      {"2147483648", false, 0, true, 2147483648LL, 2147483648.0},
      {"-9223372036854775808", false, 0, true, std::numeric_limits<Int64>::min(), -9223372036854775808.0},
      {"9223372036854775808", false, 0, false, 0, 9223372036854775808.0},
      {"1e400", false, 0, false, 0, inf},
      {"-1e400", false, 0, false, 0, -inf},
      {"1e-400", false, 0, false, 0, 0.0},
      {"1.0000000001", false, 0, false, 0, 1.0000000001},
      {"120e-1", true, 12, true, 12, 12.0},
      {"12e-1", false, 0, false, 0, 1.2},
      {"0.5E1", true, 5, true, 5, 5.0},
      {"0.000e999999999999", true, 0, true, 0, 0.0},
      {"9007199254740993.000", false, 0, true, 9007199254740993LL, 9007199254740992.0},
      {"-9223372036854775809", false, 0, false, 0, -9223372036854775808.0},
      {"1e19", false, 0, false, 0, 1e19},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    const TJSONNumber number{QString::fromLatin1(row.text)};
    EXPECT_EQ(number.Value(), row.text);
    EXPECT_EQ(number.AsDouble(), row.asDouble);
    if (row.intOk) {
      EXPECT_EQ(number.AsInt(), row.asInt);
    } else {
      EXPECT_THROW(number.AsInt(), EConvertError);
    }
    if (row.int64Ok) {
      EXPECT_EQ(number.AsInt64(), row.asInt64);
    } else {
      EXPECT_THROW(number.AsInt64(), EConvertError);
    }
  }
}

TEST(JSONNumberTest, ConstructedNumbers) {
  EXPECT_EQ(TJSONNumber(3.0).ToJSON(), "3");
  EXPECT_EQ(TJSONNumber(0.1).ToJSON(), "0.1");
  EXPECT_EQ(TJSONNumber(-1.5e300).AsDouble(), -1.5e300);
  EXPECT_EQ(TJSONNumber(1.0 / 3).AsDouble(), 1.0 / 3);
  EXPECT_EQ(TJSONNumber(-2147483647 - 1).Value(), "-2147483648");
  EXPECT_EQ(TJSONNumber(std::numeric_limits<double>::quiet_NaN()).ToJSON(), "null");
  EXPECT_EQ(TJSONNumber(-std::numeric_limits<double>::infinity()).ToJSON(), "null");
  EXPECT_TRUE(std::isinf(TJSONNumber(std::numeric_limits<double>::infinity()).AsDouble()));
  EXPECT_THROW(TJSONNumber(std::numeric_limits<double>::infinity()).AsInt(), EConvertError);
  for (const char* bad : {"", "1x", " 1", "01", "+1", "NaN"}) {
    EXPECT_THROW(TJSONNumber{QString::fromLatin1(bad)}, EConvertError) << bad;
  }
}

TEST(JSONTest, TryGetValue) {
  const auto value = TJSONObject::ParseJSONValue(
      "[\"text\", 5, 1.5, 300, true, false, null, {}, []]");
  ASSERT_NE(value, nullptr);
  const auto* items = static_cast<const TJSONArray*>(value.get());
  auto item = [&](int i) { return items->Items(i); };

  QString s;
  int i = 0;
  double d = 0;
  bool b = false;
  uint8_t small = 0;
  const TJSONObject* object = nullptr;
  const TJSONArray* array = nullptr;
  const TJSONString* string = nullptr;

  EXPECT_TRUE(item(0)->TryGetValue(s));
  EXPECT_EQ(s, "text");
  EXPECT_FALSE(item(0)->TryGetValue(i));
  EXPECT_FALSE(item(0)->TryGetValue(b));
  EXPECT_TRUE(item(0)->TryGetValue(string));

  EXPECT_TRUE(item(1)->TryGetValue(i));
  EXPECT_EQ(i, 5);
  EXPECT_TRUE(item(1)->TryGetValue(s));
  EXPECT_EQ(s, "5");
  EXPECT_TRUE(item(2)->TryGetValue(d));
  EXPECT_EQ(d, 1.5);
  EXPECT_FALSE(item(2)->TryGetValue(i));
  EXPECT_FALSE(item(3)->TryGetValue(small));
  EXPECT_TRUE(item(1)->TryGetValue(small));
  EXPECT_EQ(small, 5);

  EXPECT_TRUE(item(4)->TryGetValue(b));
  EXPECT_TRUE(b);
  EXPECT_TRUE(item(5)->TryGetValue(b));
  EXPECT_FALSE(b);
  EXPECT_TRUE(item(5)->TryGetValue(s));
  EXPECT_EQ(s, "false");
  EXPECT_FALSE(item(5)->TryGetValue(i));

  EXPECT_FALSE(item(6)->TryGetValue(s));
  EXPECT_FALSE(item(6)->TryGetValue(b));
  EXPECT_TRUE(item(7)->TryGetValue(object));
  EXPECT_FALSE(item(7)->TryGetValue(array));
  EXPECT_FALSE(item(7)->TryGetValue(s));
  EXPECT_TRUE(item(8)->TryGetValue(array));
  EXPECT_FALSE(item(8)->TryGetValue(string));
}

}  // namespace
