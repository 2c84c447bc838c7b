// TKitJSONReader: the bulk paths. Texts, names, blanks and numbers are
// scanned many bytes at a time, short texts and names come from caches, and
// a byte stream's array is shared instead of copied; these cases put every
// length and every special character on either side of the scanning steps
// (sixteen and eight bytes) and of the end of the input.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <thread>
#include <vector>

#include "foundation/KitJSONReader.h"
#include "tests/foundation/JSONReaderTestSupport.h"
#include "tests/support/TestSupport.h"

using jsontest::Trace;

namespace {

// N letters, different from one length to the next.
QByteArray Letters(int n) {
  QByteArray s;
  for (int i = 0; i < n; ++i) s += static_cast<char>('a' + (i * 7 + n) % 26);
  return s;
}

// A text as written and as read: plain, with an escape at K, with a byte
// of the ANSI code page from 0x80 up at K.
struct TText {
  QByteArray Raw;
  QString Read;
};

std::vector<TText> TextsOfLength(int n) {
  std::vector<TText> texts{{Letters(n), QString::fromLatin1(Letters(n))}};
  for (int k = 0; k < n; ++k) {
    const QByteArray before = Letters(n).left(k), after = Letters(n).mid(k + 1);
    texts.push_back({before + "\\t" + after, QString::fromLatin1(before) + u'\t' + QString::fromLatin1(after)});
    texts.push_back({before + "\x80" + after, QString::fromLatin1(before) + u'\u20AC' + QString::fromLatin1(after)});
  }
  return texts;
}

}  // namespace

TEST(KitJSONReaderScan, TextsOfEveryLengthAndEndDistance) {
  // The second text holds an escape and a high byte right behind the first
  // one's closing quote, within the same scanning step; trailing blanks move
  // the end of the input.
  for (int n = 0; n <= 40; ++n) {
    for (const TText& text : TextsOfLength(n)) {
      for (int trailing : {0, 1, 7, 15, 16, 31}) {
        const QByteArray json = "[\"" + text.Raw + "\",\"\\u0041\xE9\"]" + QByteArray(trailing, ' ');
        EXPECT_EQ(Trace(json), u"[ text:"_qs + text.Read + u" text:A\u00E9 ] eof"_qs) << json.constData();
      }
      // A text that runs to the end of the input ends there.
      const QByteArray open = "[\"" + text.Raw;
      EXPECT_EQ(Trace(open), u"[ text:"_qs + text.Read + u" !Unterminated array"_qs) << open.constData();
    }
  }
}

TEST(KitJSONReaderScan, NamesOfEveryLengthReadTwice) {
  // The second time a plain name comes from the caches.
  for (int n = 0; n <= 40; ++n) {
    for (const TText& name : TextsOfLength(n)) {
      for (int trailing : {0, 9, 16}) {
        const QByteArray json = "[{\"" + name.Raw + "\":1},{\"" + name.Raw + "\" : 2}]" + QByteArray(trailing, '\n');
        const QString expected = u"[ { name:"_qs + name.Read + u" num:1 } { name:"_qs + name.Read + u" num:2 } ] eof"_qs;
        EXPECT_EQ(Trace(json), expected) << json.constData();
      }
    }
  }
}

TEST(KitJSONReaderScan, WhitespaceRunsOfEveryLength) {
  const char kBlanks[] = " \t\r\n\f";
  for (int n = 0; n <= 40; ++n) {
    QByteArray run;
    for (int i = 0; i < n; ++i) run += kBlanks[i % 5];
    const QByteArray json = run + "{" + run + "\"a\"" + run + ":" + run + "[" + run + "1" + run + "," + run +
                            "\"x\"" + run + "]" + run + "}" + run;
    EXPECT_EQ(Trace(json), u"{ name:a [ num:1 text:x ] } eof"_qs) << n;

    // Any other control character ends the run and is no value.
    for (const char other : {'\v', '\0', '\x1F'}) {
      const QByteArray bad = "[1," + run + other + "2]" + run;
      EXPECT_EQ(Trace(bad), u"[ num:1 !Value expected but invalid character found"_qs) << n;
    }
    EXPECT_EQ(Trace("{}" + run + "x"), u"{ } !Multiple root values not allowed"_qs) << n;
  }
}

TEST(KitJSONReaderScan, NumbersReadAsTheStandardConversionDoes) {
  struct Case {
    const char* Text;
    const char* AsString;  // integers come back as their decimal text
  } cases[] = {
      {"0", "0"},
      {"-0", "0"},
      {"-0.0", "-0.0"},
      {"7", "7"},
      {"123456789012345678", "123456789012345678"},    // 18 digits
      {"1234567890123456789", "1234567890123456789"},  // 19 digits
      {"9223372036854775807", "9223372036854775807"},
      {"-9223372036854775808", "-9223372036854775808"},
      {"9223372036854775808", "9223372036854775808"},  // too big: a number
      {"0.5", "0.5"},
      {"-0.00125", "-0.00125"},
      {"0.1", "0.1"},
      {"1e22", "1e22"},
      {"1e23", "1e23"},
      {"1E-22", "1E-22"},
      {"1.5e-7", "1.5e-7"},
      {"2.5E+3", "2.5E+3"},
      {"9007199254740993.0", "9007199254740993.0"},  // beyond 2^53: rounded
      {"123456789012345678.5", "123456789012345678.5"},
      {"0.30000000000000004", "0.30000000000000004"},
      {"1.7976931348623157e308", "1.7976931348623157e308"},
      {"2.2250738585072014e-308", "2.2250738585072014e-308"},
      {"4.9e-324", "4.9e-324"},
      {"1e0000000000000000022", "1e0000000000000000022"},
  };
  for (const Case& c : cases) {
    for (const char* between : {",", " ,\r\n", ",0,"}) {
      TBytesStream stream(QByteArray("[") + c.Text + between + c.Text + "]");
      TKitJSONReader reader(&stream);
      reader.ReadBeginArray();
      EXPECT_EQ(reader.ReadString(), QString::fromLatin1(c.AsString)) << c.Text;
      if (QByteArray(between) == ",0,") {
        EXPECT_EQ(reader.ReadInteger(), 0);
      }
      const double value = reader.ReadDouble();
      const double expected = std::strtod(c.AsString, nullptr);  // an integer's value (-0 is 0)
      EXPECT_EQ(std::signbit(value), std::signbit(expected)) << c.Text;
      EXPECT_EQ(value, expected) << c.Text;
    }
  }
}

TEST(KitJSONReaderScan, NumberLengthLimitInEveryForm) {
  // 254 characters are read; 255 are too many, whatever the form.
  const auto fraction = [](int length) { return "0." + QByteArray(length - 3, '0') + "1"; };
  const auto exponent = [](int length) { return "-1." + QByteArray(length - 7, '5') + "e-10"; };
  const auto integer = [](int length) { return "-" + QByteArray(length - 1, '9'); };
  for (const auto& make : {+fraction, +exponent, +integer}) {
    const QByteArray fits = make(254), tooLong = make(255);
    ASSERT_EQ(fits.size(), 254);
    EXPECT_EQ(Trace("[" + fits + "]"), u"[ num:"_qs + QString::fromLatin1(fits) + u" ] eof"_qs);
    EXPECT_EQ(Trace("[" + fits), u"[ num:"_qs + QString::fromLatin1(fits) + u" !Unterminated array"_qs);
    EXPECT_EQ(Trace("[" + tooLong + "]"), u"[ !Value expected but invalid character found"_qs);
    EXPECT_EQ(Trace("[" + tooLong), u"[ !Value expected but invalid character found"_qs);
  }
  TBytesStream stream("[" + fraction(254) + "]");
  TKitJSONReader reader(&stream);
  reader.ReadBeginArray();
  EXPECT_EQ(reader.ReadDouble(), std::strtod(fraction(254).constData(), nullptr));
}

TEST(KitJSONReaderScan, NumbersRunningToTheEndOfTheInput) {
  for (const char* number : {"1", "-12", "0.5", "3e7", "1E+2"})
    EXPECT_EQ(Trace(QByteArray("[") + number), u"[ num:"_qs + QString::fromLatin1(number) + u" !Unterminated array"_qs);
  for (const char* bad : {"-", "1.", "1e", "1e-", "01"})
    EXPECT_EQ(Trace(QByteArray("[") + bad), u"[ !Value expected but invalid character found"_qs) << bad;
}

TEST(KitJSONReaderScan, RecurringTextsComeBackRight) {
  // Many short texts, each three times in changing order, crowd the cache.
  QByteArray json = "[";
  QStringList expected{u"["_qs};
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 300; ++i) {
      const int k = (i * (round * 2 + 1) * 37) % 300;
      const QByteArray text = "t" + QByteArray::number(k) + QByteArray(k % 30, 'x');
      json += (json.size() > 1 ? "," : "") + ("\"" + text + "\"");
      expected << u"text:"_qs + QString::fromLatin1(text);
    }
  }
  json += "]";
  expected << u"]"_qs << u"eof"_qs;
  EXPECT_EQ(Trace(json), expected.join(u' '));

  // Conversions of a recurring text.
  TBytesStream stream("[\"42\",\"42\",\"42\"]");
  TKitJSONReader reader(&stream);
  reader.ReadBeginArray();
  EXPECT_EQ(reader.ReadInteger(), 42);
  EXPECT_EQ(reader.ReadInt64(), 42);
  EXPECT_EQ(reader.ReadDouble(), 42.0);
}

TEST(KitJSONReaderScan, NamesOutliveTheReaderAndStayTheirOwn) {
  QString first;
  {
    TBytesStream stream("{\"Caption\":1}");
    TKitJSONReader reader(&stream);
    reader.ReadBeginObject();
    first = reader.ReadName();
  }
  EXPECT_EQ(first, u"Caption"_qs);
  first.append(u'!');  // changes this string only
  first[0] = u'c';
  TBytesStream stream("{\"Caption\":1}");
  TKitJSONReader reader(&stream);
  reader.ReadBeginObject();
  EXPECT_EQ(reader.ReadName(), u"Caption"_qs);
  EXPECT_EQ(first, u"caption!"_qs);
}

TEST(KitJSONReaderScan, ManyDistinctNamesInSeveralThreads) {
  // More names than the program keeps, read by several readers at once.
  const auto document = [](int seed) {
    QByteArray json = "{";
    QStringList names;
    for (int i = 0; i < 3000; ++i) {
      const QByteArray name = "m" + QByteArray::number((i * 7919 + seed * 104729) % 3000) + "_" + Letters(i % 25);
      json += (i ? "," : "") + ("\"" + name + "\":" + QByteArray::number(i));
      names << QString::fromLatin1(name);
    }
    return std::make_pair(json + "}", names);
  };
  std::vector<int> failures(4, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      const auto [json, names] = document(t);
      for (int pass = 0; pass < 2; ++pass) {
        TBytesStream stream(json);
        TKitJSONReader reader(&stream);
        reader.ReadBeginObject();
        for (int i = 0; i < names.size(); ++i) {
          failures[t] += reader.ReadName() != names[i];
          failures[t] += reader.ReadInteger() != i;
        }
        reader.ReadEndObject();
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(failures, std::vector<int>(4, 0));
}

TEST(KitJSONReaderScan, SourceStreams) {
  // A byte stream's array is shared: writing to the stream afterwards leaves
  // the reader's input as it was, and the stream is read to its end.
  TBytesStream bytes(QByteArray("[1]"));
  TKitJSONReader shared(&bytes);
  EXPECT_EQ(bytes.Position(), 3);
  bytes.SetPosition(0);
  bytes.WriteBuffer("[2]", 3);
  shared.ReadBeginArray();
  EXPECT_EQ(shared.ReadInteger(), 1);
  bytes.SetSize(0);
  shared.ReadEndArray();
  EXPECT_TRUE(shared.Eof());

  // Other streams are copied.
  TMemoryStream memory;
  memory.WriteBuffer("[3]", 3);
  memory.SetPosition(0);
  TKitJSONReader copied(&memory);
  EXPECT_EQ(memory.Position(), 3);
  copied.ReadBeginArray();
  EXPECT_EQ(copied.ReadInteger(), 3);

  // A stream away from its start runs short, as before.
  TBytesStream moved(QByteArray("[4]"));
  moved.SetPosition(1);
  EXPECT_THROW(TKitJSONReader reader(&moved), EReadError);
}
