// The results memo's hand-over to the grid, as the grid tab runs it
// (HandOverToGrid: the memo's lines, quote-comma-quote turned into the "¤"
// delimiter, one ANSI stream, LoadFromCSVStream), on 100,000 result lines of
// 12 quoted fields (about 17 MB of text), against a peer doing the same
// splitting into a QStandardItemModel:
//  - BM_HandOverToGrid: time of the hand-over into an emptied grid;
//    counters: the memo's text as UTF-16 (text_MB), the peak resident memory
//    the hand-over added (peak_MB: VmHWM reset before, minus VmRSS before),
//    and their ratio;
//  - BM_QtModelSplitLines: the memo's lines taken the same way and split at
//    quote-comma-quote into a QStandardItemModel of the same size.
//
//   nice cmake --build build/default -j3 --target bench_grid_handover
//   build/default/bench/bench_grid_handover

#include <benchmark/benchmark.h>

#include <QFile>
#include <QStandardItemModel>
#include <QTextBlock>
#include <QTextDocument>
#include <memory>

#include "app/uTallowfinch2.h"
#include "bench/support/BenchSupport.h"
#include "grid/model/KitGrid.h"
#include "platform/vcl/StdCtrls.h"

namespace {

constexpr int kLines = 100000;

QString ResultLine(int r) {
  return QStringLiteral(
             "\"Entreprise Dupont & Fils %1\",\"Plombier chauffagiste\",\"%2 rue de la République\",\"%3\","
             "\"Saint-Étienne\",\"01 23 45 %4\",\"06 12 34 %5\",\"contact%1@example.fr\","
             "\"https://www.example%1.fr\",\"Ouvert du lundi au vendredi\",\"\",\"/pros/%6\"")
      .arg(r)
      .arg(r % 300 + 1)
      .arg((r * 7) % 96000 + 1000, 5, 10, QLatin1Char('0'))
      .arg(r % 100, 2, 10, QLatin1Char('0'))
      .arg((r / 7) % 100, 2, 10, QLatin1Char('0'))
      .arg(10000000 + r);
}

long StatusKb(const char* key) {
  QFile f(QStringLiteral("/proc/self/status"));
  if (!f.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : f.readAll().split('\n'))
    if (line.startsWith(key)) return line.mid(qsizetype(strlen(key))).trimmed().split(' ').value(0).toLong();
  return 0;
}

// Resets the peak resident memory (VmHWM) to the present one.
void ResetPeak() {
  QFile f(QStringLiteral("/proc/self/clear_refs"));
  if (f.open(QIODevice::WriteOnly)) f.write("5");
}

struct TFixture {
  std::unique_ptr<TMemo> Memo;
  qint64 Chars = 0;
  TFixture() {
    Memo = std::make_unique<TMemo>(nullptr);
    QString text;
    for (int r = 0; r < kLines; ++r) {
      const QString line = ResultLine(r);
      Chars += line.size();
      text += line;
      text += u"\r\n"_qs;
    }
    Memo->Lines()->SetText(text);
  }
};

TFixture& Fixture() {
  static TFixture f;
  return f;
}

void BM_HandOverToGrid(benchmark::State& state) {
  TFixture& f = Fixture();
  double peakMb = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto grid = CreateUnique<TKitStringGrid>(nullptr);
    grid->SetFixedRows(0);
    grid->SetFixedCols(0);
    grid->SetColCount(25);
    grid->SetRowCount(50);
    const long before = StatusKb("VmRSS:");
    ResetPeak();
    state.ResumeTiming();
    HandOverToGrid(f.Memo.get(), grid.get());
    state.PauseTiming();
    peakMb = std::max(peakMb, double(StatusKb("VmHWM:") - before) / 1024.0);
    if (grid->RowCount() != kLines || grid->Cells(11, kLines - 1) != u"/pros/10099999"_qs)
      state.SkipWithError("the grid does not hold the lines");
    grid.reset();
    state.ResumeTiming();
  }
  const double textMb = double(f.Chars) * 2 / (1024.0 * 1024.0);
  state.counters["text_MB"] = textMb;
  state.counters["peak_MB"] = peakMb;
  state.counters["peak_per_text"] = peakMb / textMb;
}

void BM_QtModelSplitLines(benchmark::State& state) {
  TFixture& f = Fixture();
  double peakMb = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto model = std::make_unique<QStandardItemModel>(50, 25);
    const long before = StatusKb("VmRSS:");
    ResetPeak();
    state.ResumeTiming();
    QTextDocument* doc = f.Memo->Document();
    model->setRowCount(kLines);
    int r = 0;
    for (QTextBlock b = doc->begin(); b.isValid() && r < kLines; b = b.next(), ++r) {
      const QString line = b.text();
      const QStringList fields = line.mid(1, line.size() - 2).split(u"\",\""_qs);
      for (int c = 0; c < fields.size(); ++c) model->setItem(r, c, new QStandardItem(fields[c]));
    }
    state.PauseTiming();
    peakMb = std::max(peakMb, double(StatusKb("VmHWM:") - before) / 1024.0);
    model.reset();
    state.ResumeTiming();
  }
  const double textMb = double(f.Chars) * 2 / (1024.0 * 1024.0);
  state.counters["text_MB"] = textMb;
  state.counters["peak_MB"] = peakMb;
  state.counters["peak_per_text"] = peakMb / textMb;
}

}  // namespace

BENCHMARK(BM_HandOverToGrid)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_QtModelSplitLines)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
