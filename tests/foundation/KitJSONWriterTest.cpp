// TKitJSONWriter: layouts, deferred names, escaping, every error, delivery
// on destruction, and round trips through TKitJSONReader.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "foundation/KitJSONReader.h"
#include "foundation/KitJSONWriter.h"
#include "tests/support/TestSupport.h"

using testsupport::RaisedMessage;

namespace {

// Runs Write on a writer over a fresh stream and answers what reached the
// stream once the writer was destroyed.
QByteArray Written(const std::function<void(TKitJSONWriter&)>& Write, int indent = 0) {
  TBytesStream stream;
  {
    TKitJSONWriter writer(&stream);
    writer.SetIndentLength(indent);
    Write(writer);
  }
  return stream.Bytes();
}

// The member a = 1 and the member b = an array holding true.
void SmallDocument(TKitJSONWriter& w) {
  w.WriteBeginObject().WriteName(u"a"_qs).WriteInteger(1);
  w.WriteName(u"b"_qs).WriteBeginArray().WriteBoolean(true).WriteEndArray();
  w.WriteEndObject();
}

}  // namespace

TEST(KitJSONWriter, Layouts) {
  EXPECT_EQ(Written(SmallDocument, 2), "{\r\n  \"a\": 1,\r\n  \"b\": [\r\n    true\r\n  ]\r\n}");
  EXPECT_EQ(Written(SmallDocument, 0), "{\"a\":1,\"b\":[true]}");
  EXPECT_EQ(Written(SmallDocument, 3), "{\r\n   \"a\": 1,\r\n   \"b\": [\r\n      true\r\n   ]\r\n}");

  auto empties = [](TKitJSONWriter& w) {
    w.WriteBeginArray().WriteBeginObject().WriteEndObject().WriteBeginArray().WriteEndArray();
    w.WriteNull().WriteEndArray();
  };
  EXPECT_EQ(Written(empties, 2), "[\r\n  {},\r\n  [],\r\n  null\r\n]");
  EXPECT_EQ(Written(empties, 0), "[{},[],null]");
  EXPECT_EQ(Written([](TKitJSONWriter& w) { w.WriteBeginObject().WriteEndObject(); }, 2), "{}");
  EXPECT_EQ(Written([](TKitJSONWriter& w) { w.WriteBeginArray().WriteEndArray(); }), "[]");
}

TEST(KitJSONWriter, CompactOutputHasNoBlanksOutsideTexts) {
  const QByteArray out = Written([](TKitJSONWriter& w) {
    w.WriteBeginObject().WriteName(u"name with blank"_qs).WriteString(u"a b\r\n"_qs);
    w.WriteName(u"o"_qs).WriteBeginObject().WriteName(u"x"_qs).WriteDouble(-0.5).WriteEndObject();
    w.WriteEndObject();
  });
  EXPECT_EQ(out, "{\"name with blank\":\"a b\\u000D\\u000A\",\"o\":{\"x\":-0.5}}");
}

TEST(KitJSONWriter, DeferredNames) {
  // The name waits for its value; nested containers take their names along.
  const QByteArray out = Written([](TKitJSONWriter& w) {
    w.WriteBeginObject();
    w.WriteName(u"outer"_qs);
    w.WriteBeginObject().WriteName(u"inner"_qs).WriteBeginArray();
    w.WriteBeginObject().WriteName(u"k"_qs).WriteRawString(u"v"_qs).WriteEndObject();
    w.WriteEndArray().WriteEndObject();
    w.WriteName(u"last"_qs).WriteNull();
    w.WriteEndObject();
  }, 1);
  EXPECT_EQ(out,
            "{\r\n \"outer\": {\r\n  \"inner\": [\r\n   {\r\n    \"k\": \"v\"\r\n   }\r\n  ]\r\n },"
            "\r\n \"last\": null\r\n}");
}

TEST(KitJSONWriter, Values) {
  const QByteArray out = Written([](TKitJSONWriter& w) {
    w.WriteBeginArray();
    w.WriteString(u"q\"l\n\u00E9/\\"_qs).WriteRawString(u"\u00E9\u0105\"x"_qs);
    w.WriteInteger(std::numeric_limits<Int64>::min()).WriteInteger(0);
    w.WriteBoolean(false).WriteDouble(1.5).WriteDouble(1e20).WriteDouble(0.1);
    w.WriteDouble(std::numeric_limits<double>::quiet_NaN());
    w.WriteDouble(std::numeric_limits<double>::infinity());
    w.WriteDouble(-std::numeric_limits<double>::infinity());
    w.WriteEndArray();
  });
  EXPECT_EQ(out,
            "[\"q\\u0022l\\u000A\\u00E9/\\u005C\",\"\xE9?\"x\",-9223372036854775808,0,false,1.5,"
            "1E20,0.1,\"NAN\",\"INF\",\"-INF\"]");
}

TEST(KitJSONWriter, Errors) {
  using W = TKitJSONWriter;
  const QString nesting = u"Invalid nesting. Not all arrays/objects were properly closed."_qs;
  struct Case {
    std::function<void(W&)> Write;
    QString Expected;
  } cases[] = {
      {[](W& w) { w.WriteString(u"x"_qs); }, u"Object or array expected as top-level value"_qs},
      {[](W& w) { w.WriteInteger(1); }, u"Object or array expected as top-level value"_qs},
      {[](W& w) { w.WriteBeginObject().WriteEndObject().WriteBeginArray(); },
       u"Multiple root values not allowed"_qs},
      {[](W& w) { w.WriteBeginObject().WriteInteger(1); }, nesting},
      {[](W& w) { w.WriteBeginObject().WriteName(u"a"_qs).WriteInteger(1).WriteBeginArray(); }, nesting},
      {[](W& w) { w.WriteBeginArray().WriteName(u"a"_qs).WriteInteger(1); },
       u"Cannot write name in current Json scope"_qs},
      {[](W& w) { w.WriteName(u"a"_qs).WriteBeginObject(); }, u"Cannot write name in current Json scope"_qs},
      {[](W& w) { w.WriteBeginObject().WriteName(u"a"_qs).WriteName(u"b"_qs); }, u"Json value missing"_qs},
      {[](W& w) { w.WriteBeginObject().WriteName(u"a"_qs).WriteEndObject(); }, u"Json value missing"_qs},
      {[](W& w) { w.WriteBeginObject().WriteName(QString()); }, u"Cannot write empty name"_qs},
      {[](W& w) { w.WriteBeginObject().WriteEndArray(); }, nesting},
      {[](W& w) { w.WriteBeginArray().WriteEndObject(); }, nesting},
      {[](W& w) { w.WriteEndObject(); }, nesting},
      {[](W& w) { w.WriteBeginObject().Close(); }, nesting},
      {[](W& w) { w.Close(); }, nesting},
      {[](W& w) {
         for (int i = 0; i < 256; ++i) w.WriteBeginArray();
       },
       u"Maximum level of nested structured reached."_qs},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    TBytesStream stream;
    TKitJSONWriter writer(&stream);
    EXPECT_EQ(RaisedMessage([&] { cases[i].Write(writer); }), cases[i].Expected) << "case " << i;
  }

  // 255 nested containers fit, and Close accepts the finished document.
  TBytesStream stream;
  TKitJSONWriter writer(&stream);
  for (int i = 0; i < 255; ++i) writer.WriteBeginArray();
  for (int i = 0; i < 255; ++i) writer.WriteEndArray();
  EXPECT_FALSE(writer.Closed());
  writer.Close();
  EXPECT_TRUE(writer.Closed());
}

TEST(KitJSONWriter, TextReachesTheStreamOnDestruction) {
  TBytesStream stream(TBytes("pre:"));
  stream.SetPosition(4);
  {
    TKitJSONWriter writer(&stream);
    SmallDocument(writer);
    writer.Close();
    EXPECT_EQ(stream.Size(), 4);
  }
  EXPECT_EQ(stream.Bytes(), "pre:{\"a\":1,\"b\":[true]}");

  // The text written before an error is delivered too.
  TBytesStream failed;
  try {
    TKitJSONWriter writer(&failed);
    writer.WriteBeginArray().WriteInteger(7);
    writer.WriteName(u"x"_qs).WriteInteger(8);
  } catch (const TKitJSONWriter::ECannotWriteName&) {
  }
  EXPECT_EQ(failed.Bytes(), "[7");
}

TEST(KitJSONWriter, IndentLength) {
  TBytesStream stream;
  TKitJSONWriter writer(&stream);
  EXPECT_EQ(writer.IndentLength(), 0);
  writer.SetIndentLength(4);
  EXPECT_EQ(writer.IndentLength(), 4);
  writer.SetIndentLength(-1);
  EXPECT_EQ(writer.IndentLength(), 0);
}

TEST(KitJSONWriter, RoundTripThroughTheReader) {
  const QString texts[] = {
      u"plain"_qs,
      u"quote \" inside"_qs,
      u"back\\slash \\u0041 not an escape"_qs,
      u"\u00E9t\u00E9 \u00E0 Z\u00FCrich \u20AC \u4E2D\u6587 \U0001F600"_qs,
      u"controls \b\f\n\r\t\u0001 and /"_qs,
      QString(),
  };
  for (const int indent : {0, 2}) {
    TBytesStream stream;
    {
      TKitJSONWriter writer(&stream);
      writer.SetIndentLength(indent);
      writer.WriteBeginObject();
      int i = 0;
      for (const QString& text : texts) {
        writer.WriteName(text.isEmpty() ? u"empty"_qs : u"n"_qs + text + QString::number(i++));
        writer.WriteString(text);
      }
      writer.WriteName(u"numbers"_qs).WriteBeginArray();
      writer.WriteInteger(std::numeric_limits<Int64>::min()).WriteInteger(std::numeric_limits<Int64>::max());
      writer.WriteDouble(0.1).WriteDouble(-1.5e-7).WriteDouble(123456789012345.0);
      writer.WriteDouble(std::numeric_limits<double>::quiet_NaN());
      writer.WriteDouble(std::numeric_limits<double>::infinity());
      writer.WriteDouble(-std::numeric_limits<double>::infinity());
      writer.WriteEndArray().WriteEndObject();
    }
    stream.SetPosition(0);
    TKitJSONReader reader(&stream);
    reader.ReadBeginObject();
    int i = 0;
    for (const QString& text : texts) {
      EXPECT_EQ(reader.ReadName(), text.isEmpty() ? u"empty"_qs : u"n"_qs + text + QString::number(i++));
      EXPECT_EQ(reader.ReadString(), text);
    }
    EXPECT_EQ(reader.ReadName(), u"numbers"_qs);
    reader.ReadBeginArray();
    EXPECT_EQ(reader.ReadInt64(), std::numeric_limits<Int64>::min());
    EXPECT_EQ(reader.ReadInt64(), std::numeric_limits<Int64>::max());
    EXPECT_DOUBLE_EQ(reader.ReadDouble(), 0.1);
    EXPECT_DOUBLE_EQ(reader.ReadDouble(), -1.5e-7);
    EXPECT_DOUBLE_EQ(reader.ReadDouble(), 123456789012345.0);
    EXPECT_TRUE(std::isnan(reader.ReadDouble()));
    EXPECT_EQ(reader.ReadDouble(), std::numeric_limits<double>::infinity());
    EXPECT_EQ(reader.ReadDouble(), -std::numeric_limits<double>::infinity());
    reader.ReadEndArray();
    reader.ReadEndObject();
    EXPECT_TRUE(reader.Eof());
  }
}
