// JSON reader throughput: TKitJSONReader pulls every token of a generated
// 20 MB document of persisted objects (type members, names, escaped texts,
// integers, floats, Booleans, nulls, nested arrays and objects, written in the
// indented layout of TKitJSONWriter), reading names and texts as strings and
// numbers as floats. RapidJSON's SAX reader parses the same bytes in the same
// run.
//
// A complete read is compared: each reader hands its user every name, text
// and number in the form its interface gives them. For TKitJSONReader that is
// a QString per name and text (escapes decoded) and a double per number; for
// RapidJSON it is a pointer and length per name and text (escapes decoded
// into its own buffer) and an int, int64 or double per number, which
// BM_RapidJSONReaderValues receives and keeps. Its run is the measure the
// pull reader is held to (within two times). Two more runs bracket it:
// BM_RapidJSONReader, the bare parse (the handler only counts the events),
// and BM_RapidJSONReaderQString, whose handler also turns every name and
// text into a QString, the same string work the pull reader does.
//
//   cmake --build build/default --target bench_json_reader
//   taskset -c 7 build/default/bench/bench_json_reader --benchmark_repetitions=5 \
//       --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>

#include <QString>
#include <random>

#include "foundation/KitJSONReader.h"
#include "foundation/KitJSONWriter.h"

#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>

namespace {

constexpr Int64 kDocumentSize = 20 * 1024 * 1024;

// An array of records such as object persistence writes them.
const QByteArray& Document() {
  static const QByteArray document = [] {
    static const char16_t* const captions[] = {
        u"Caf\u00E9 de la Gare", u"Boulangerie \"Au bon pain\"", u"Plomberie Dupont & Fils",
        u"H\u00F4tel des Voyageurs", u"Garage du Centre", u"Librairie \u00AB Le Livre \u00BB"};
    std::mt19937 random(20240611);
    TBytesStream stream;
    {
      TKitJSONWriter writer(&stream);
      writer.SetIndentLength(2);
      writer.WriteBeginArray();
      for (int i = 0; stream.Size() == 0; ++i) {
        writer.WriteBeginObject();
        writer.WriteName(QStringLiteral("$type")).WriteString(QStringLiteral("TKitGridColumn"));
        writer.WriteName(QStringLiteral("Caption"))
            .WriteString(QString::fromUtf16(captions[random() % 6]) + QString::number(i));
        writer.WriteName(QStringLiteral("Color")).WriteString(QStringLiteral("#FF8000"));
        writer.WriteName(QStringLiteral("Enabled")).WriteBoolean(random() % 2 == 0);
        writer.WriteName(QStringLiteral("Hint")).WriteNull();
        writer.WriteName(QStringLiteral("Index")).WriteInteger(i);
        writer.WriteName(QStringLiteral("Scale")).WriteDouble(0.5 + (random() % 1000) / 100.0);
        writer.WriteName(QStringLiteral("Width")).WriteInteger(static_cast<Int64>(random() % 400));
        writer.WriteName(QStringLiteral("Items")).WriteBeginArray();
        for (int k = 0; k < 3; ++k) {
          writer.WriteBeginObject();
          writer.WriteName(QStringLiteral("Text")).WriteString(QStringLiteral("line %1").arg(k));
          writer.WriteName(QStringLiteral("Value")).WriteDouble(-1.25e-3 * (k + 1));
          writer.WriteEndObject();
        }
        writer.WriteEndArray();
        writer.WriteEndObject();
        // The text reaches the stream only when the writer goes, so the
        // size is estimated from the records written (about 480 bytes each).
        if (i * Int64(480) > kDocumentSize) break;
      }
      writer.WriteEndArray();
    }
    return stream.Bytes();
  }();
  return document;
}

// Reads every token; answers the number of tokens.
Int64 PullAll(TKitJSONReader& reader) {
  Int64 tokens = 0;
  while (true) {
    ++tokens;
    switch (reader.Peek()) {
      case jstoBeginObject: reader.ReadBeginObject(); break;
      case jstoEndObject: reader.ReadEndObject(); break;
      case jstoBeginArray: reader.ReadBeginArray(); break;
      case jstoEndArray: reader.ReadEndArray(); break;
      case jstoName: benchmark::DoNotOptimize(reader.ReadName()); break;
      case jstoBoolean: benchmark::DoNotOptimize(reader.ReadBoolean()); break;
      case jstoNull: reader.ReadNull(); break;
      case jstoText: benchmark::DoNotOptimize(reader.ReadString()); break;
      case jstoNumber: benchmark::DoNotOptimize(reader.ReadDouble()); break;
      case jstoEOF: return tokens;
    }
  }
}

void BM_KitJSONReader(benchmark::State& state) {
  const QByteArray& document = Document();
  TBytesStream source(document);
  Int64 tokens = 0;
  for (auto _ : state) {
    source.SetPosition(0);
    TKitJSONReader reader(&source);
    tokens = PullAll(reader);
  }
  state.SetBytesProcessed(state.iterations() * document.size());
  state.counters["tokens"] = static_cast<double>(tokens);
}
BENCHMARK(BM_KitJSONReader)->Unit(benchmark::kMillisecond);

// Counts the events and nothing else.
struct NullHandler : rapidjson::BaseReaderHandler<rapidjson::UTF8<>, NullHandler> {
  int64_t Events = 0;
  bool Default() {
    ++Events;
    return true;
  }
};

// Receives every name, text and number, as a RapidJSON user does.
struct ValuesHandler : rapidjson::BaseReaderHandler<rapidjson::UTF8<>, ValuesHandler> {
  int64_t Events = 0;
  template <class T>
  bool Keep(T value) {
    ++Events;
    benchmark::DoNotOptimize(value);
    return true;
  }
  bool Default() { return Keep(0); }
  bool Bool(bool b) { return Keep(b); }
  bool Int(int i) { return Keep(i); }
  bool Uint(unsigned i) { return Keep(i); }
  bool Int64(int64_t i) { return Keep(i); }
  bool Uint64(uint64_t i) { return Keep(i); }
  bool Double(double d) { return Keep(d); }
  bool String(const char* text, rapidjson::SizeType length, bool) {
    benchmark::DoNotOptimize(text);
    return Keep(length);
  }
  bool Key(const char* text, rapidjson::SizeType length, bool copy) { return String(text, length, copy); }
};

// Turns names and texts into QString, as the pull reader hands them out.
struct QStringHandler : rapidjson::BaseReaderHandler<rapidjson::UTF8<>, QStringHandler> {
  int64_t Events = 0;
  bool Default() {
    ++Events;
    return true;
  }
  bool String(const char* text, rapidjson::SizeType length, bool) {
    ++Events;
    benchmark::DoNotOptimize(QString::fromUtf8(text, length));
    return true;
  }
  bool Key(const char* text, rapidjson::SizeType length, bool copy) { return String(text, length, copy); }
};

template <class Handler>
void RapidJSON(benchmark::State& state) {
  const QByteArray& document = Document();
  Int64 events = 0;
  for (auto _ : state) {
    rapidjson::Reader reader;
    rapidjson::StringStream input(document.constData());
    Handler handler;
    const rapidjson::ParseResult result = reader.Parse(input, handler);
    if (!result) {
      state.SkipWithError(rapidjson::GetParseError_En(result.Code()));
      break;
    }
    events = handler.Events;
  }
  state.SetBytesProcessed(state.iterations() * document.size());
  state.counters["tokens"] = static_cast<double>(events);
}

void BM_RapidJSONReader(benchmark::State& state) { RapidJSON<NullHandler>(state); }
BENCHMARK(BM_RapidJSONReader)->Unit(benchmark::kMillisecond);

void BM_RapidJSONReaderValues(benchmark::State& state) { RapidJSON<ValuesHandler>(state); }
BENCHMARK(BM_RapidJSONReaderValues)->Unit(benchmark::kMillisecond);

void BM_RapidJSONReaderQString(benchmark::State& state) { RapidJSON<QStringHandler>(state); }
BENCHMARK(BM_RapidJSONReaderQString)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
