// The grid's cell store against QStandardItemModel, in one binary:
//  - BM_GridWriteRead / BM_ModelWriteRead: 100,000 rows x 12 columns of
//    result-line texts written (the grid inside BeginUpdate/EndUpdate) and
//    read back (the grid through Cells, with its merge and display-hook
//    path; the model through data()). The texts are made beforehand and
//    shared, so the time is the store's own.
//  - BM_GridMemory / BM_ModelMemory: the same cells written from freshly
//    made texts; the counters give the heap the filled store holds
//    (malloc's in-use bytes after minus before), the UTF-16 bytes of the
//    texts, and the heap the same texts take as standalone strings.
//  - BM_GridRowColor: RowColor on 100,000 rows of 12 columns (a record per
//    cell) and the grid's destruction, with the heap the records held.
// The grid benchmarks also report that text writes made no cell record.
//
// Heap: the allocator keeps the memory a run frees (as a long-running
// program's heap does), so each iteration works on memory the process has
// touched before. With TF_BENCH_COLD_HEAP=1 freed memory goes back to the
// system and every iteration pays for faulting in fresh pages (which costs
// far more than the stores themselves on a virtual machine).
//
//   cmake --build build/default --target bench_grid_cells
//   build/default/bench/bench_grid_cells

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QApplication>
#include <QStandardItemModel>
#include <QStringList>
#include <memory>
#include <random>
#include <vector>

#include "grid/model/KitGrid.h"

namespace {

constexpr int kRows = 100000;
constexpr int kCols = 12;

size_t HeapInUse() { return mallinfo2().uordblks; }

// One result line: name, activity, street, post code, town, phone, mobile,
// fax, e-mail, web site, listing number, page. Deterministic.
class TLineMaker {
 public:
  QString Field(int Row, int Col) {
    static const char* const names[] = {"Boulangerie", "Garage", "Cabinet", "Plomberie", "Hotel",
                                        "Pharmacie", "Librairie", "Fleuriste", "Brasserie", "Atelier"};
    static const char* const people[] = {"Dupont", "Martin", "Bernard", "Petit", "Durand", "Leroy"};
    static const char* const streets[] = {"rue de la République", "avenue Jean Jaurès", "place du Marché",
                                          "boulevard Victor Hugo", "chemin des Vignes"};
    static const char* const towns[] = {"Lyon", "Bordeaux", "Nantes", "Lille", "Rennes", "Dijon", "Metz"};
    const uint32_t v = uint32_t(Row) * 2654435761u + uint32_t(Col) * 40503u;
    switch (Col) {
      case 0:
        return QString::fromUtf8(names[v % 10]) + u' ' + QString::fromUtf8(people[(v >> 4) % 6]);
      case 1:
        return QString::fromUtf8(names[(v >> 3) % 10]) + QStringLiteral(" et services");
      case 2:
        return QString::number(v % 180 + 1) + u' ' + QString::fromUtf8(streets[(v >> 5) % 5]);
      case 3:
        return QString::number(10000 + v % 85000);
      case 4:
        return QString::fromUtf8(towns[(v >> 7) % 7]);
      case 5:
      case 6:
      case 7:
        return QStringLiteral("0%1 %2 %3 %4 %5")
            .arg(Col - 3)
            .arg(v % 90 + 10)
            .arg((v >> 8) % 90 + 10)
            .arg((v >> 12) % 90 + 10)
            .arg((v >> 16) % 90 + 10);
      case 8:
        return QStringLiteral("contact%1@exemple.fr").arg(v % 100000);
      case 9:
        return QStringLiteral("www.exemple%1.fr").arg(v % 10000);
      case 10:
        return QStringLiteral("LST%1").arg(v % 10000000, 8, 10, QChar(u'0'));
      default:
        return QString::number(Row / 20 + 1);
    }
  }
};

const std::vector<QString>& SharedTexts() {
  static const std::vector<QString> texts = [] {
    TLineMaker maker;
    std::vector<QString> t;
    t.reserve(size_t(kRows) * kCols);
    for (int r = 0; r < kRows; ++r)
      for (int c = 0; c < kCols; ++c) t.push_back(maker.Field(r, c));
    return t;
  }();
  return texts;
}

std::unique_ptr<TKitStringGrid> NewGrid() {
  auto grid = CreateUnique<TKitStringGrid>(nullptr);
  grid->SetFixedRows(0);
  grid->SetFixedCols(0);
  return grid;
}

// One cycle of the grid: write every cell, read every cell back.
void BM_GridWriteRead(benchmark::State& state) {
  const std::vector<QString>& texts = SharedTexts();
  qint64 length = 0;
  bool records = false;
  {
    // An untimed first cycle: later ones run on memory the heap already has.
    auto grid = NewGrid();
    grid->SetColCount(kCols);
    grid->SetRowCount(kRows);
    size_t i = 0;
    for (int r = 0; r < kRows; ++r)
      for (int c = 0; c < kCols; ++c) grid->SetCells(c, r, texts[i++]);
  }
  for (auto _ : state) {
    auto grid = NewGrid();
    grid->BeginUpdate();
    grid->SetColCount(kCols);
    grid->SetRowCount(kRows);
    size_t i = 0;
    for (int r = 0; r < kRows; ++r)
      for (int c = 0; c < kCols; ++c) grid->SetCells(c, r, texts[i++]);
    grid->EndUpdate();
    length = 0;
    for (int r = 0; r < kRows; ++r)
      for (int c = 0; c < kCols; ++c) length += grid->Cells(c, r).size();
    records = grid->HasCellProps();
    state.PauseTiming();
    grid.reset();
    state.ResumeTiming();
  }
  benchmark::DoNotOptimize(length);
  state.counters["chars_read"] = double(length);
  state.counters["records_made"] = records ? 1 : 0;
  state.SetItemsProcessed(state.iterations() * kRows * kCols);
}
BENCHMARK(BM_GridWriteRead)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ModelWriteRead(benchmark::State& state) {
  const std::vector<QString>& texts = SharedTexts();
  qint64 length = 0;
  {
    // An untimed first cycle, as for the grid.
    QStandardItemModel model(kRows, kCols);
    size_t i = 0;
    for (int r = 0; r < kRows; ++r)
      for (int c = 0; c < kCols; ++c) model.setItem(r, c, new QStandardItem(texts[i++]));  // owned by the model
  }
  for (auto _ : state) {
    auto model = std::make_unique<QStandardItemModel>(kRows, kCols);
    size_t i = 0;
    for (int r = 0; r < kRows; ++r)
      for (int c = 0; c < kCols; ++c) model->setItem(r, c, new QStandardItem(texts[i++]));  // owned by the model
    length = 0;
    for (int r = 0; r < kRows; ++r)
      for (int c = 0; c < kCols; ++c) length += model->data(model->index(r, c)).toString().size();
    state.PauseTiming();
    model.reset();
    state.ResumeTiming();
  }
  benchmark::DoNotOptimize(length);
  state.counters["chars_read"] = double(length);
  state.SetItemsProcessed(state.iterations() * kRows * kCols);
}
BENCHMARK(BM_ModelWriteRead)->Unit(benchmark::kMillisecond)->MinTime(5.0);

// The texts' own size: UTF-16 bytes, and the heap they take as strings of
// their own (each with its header and allocation overhead).
void TextSizes(double& Utf16, double& AsStrings) {
  TLineMaker maker;
  const size_t before = HeapInUse();
  std::vector<QString> texts;
  texts.reserve(size_t(kRows) * kCols);
  const size_t afterVector = HeapInUse();
  qint64 chars = 0;
  for (int r = 0; r < kRows; ++r)
    for (int c = 0; c < kCols; ++c) {
      texts.push_back(maker.Field(r, c));
      chars += texts.back().size();
    }
  AsStrings = double(HeapInUse() - afterVector);
  Utf16 = double(chars) * 2;
  (void)before;
}

void BM_GridMemory(benchmark::State& state) {
  double utf16 = 0, asStrings = 0;
  TextSizes(utf16, asStrings);
  double held = 0;
  bool records = false;
  for (auto _ : state) {
    TLineMaker maker;
    const size_t before = HeapInUse();
    auto grid = NewGrid();
    grid->BeginUpdate();
    grid->SetColCount(kCols);
    grid->SetRowCount(kRows);
    for (int r = 0; r < kRows; ++r)
      for (int c = 0; c < kCols; ++c) grid->SetCells(c, r, maker.Field(r, c));
    grid->EndUpdate();
    held = double(HeapInUse() - before);
    records = grid->HasCellProps();
    grid.reset();
  }
  state.counters["heap_MB"] = held / 1e6;
  state.counters["texts_utf16_MB"] = utf16 / 1e6;
  state.counters["texts_as_strings_MB"] = asStrings / 1e6;
  state.counters["x_utf16"] = held / utf16;
  state.counters["x_strings"] = held / asStrings;
  state.counters["records_made"] = records ? 1 : 0;
}
BENCHMARK(BM_GridMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ModelMemory(benchmark::State& state) {
  double utf16 = 0, asStrings = 0;
  TextSizes(utf16, asStrings);
  double held = 0;
  for (auto _ : state) {
    TLineMaker maker;
    const size_t before = HeapInUse();
    auto model = std::make_unique<QStandardItemModel>(kRows, kCols);
    for (int r = 0; r < kRows; ++r)
      for (int c = 0; c < kCols; ++c) model->setItem(r, c, new QStandardItem(maker.Field(r, c)));
    held = double(HeapInUse() - before);
    model.reset();
  }
  state.counters["heap_MB"] = held / 1e6;
  state.counters["x_utf16"] = held / utf16;
  state.counters["x_strings"] = held / asStrings;
}
BENCHMARK(BM_ModelMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_GridRowColor(benchmark::State& state) {
  double held = 0;
  double destroyMs = 0;
  for (auto _ : state) {
    const size_t before = HeapInUse();
    auto grid = NewGrid();
    grid->BeginUpdate();
    grid->SetColCount(kCols);
    grid->SetRowCount(kRows);
    for (int r = 0; r < kRows; ++r) grid->SetRowColor(r, clYellow);
    grid->EndUpdate();
    held = double(HeapInUse() - before);
    const auto start = std::chrono::steady_clock::now();
    grid.reset();
    destroyMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  }
  state.counters["records"] = double(kRows) * kCols;
  state.counters["heap_MB"] = held / 1e6;
  state.counters["bytes_per_record"] = held / (double(kRows) * kCols);
  state.counters["destroy_ms"] = destroyMs;
}
BENCHMARK(BM_GridRowColor)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
  if (qgetenv("TF_BENCH_COLD_HEAP") != "1") {
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
  }
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
