// Sorting the grid's rows next to std::stable_sort of the same texts, in one
// run. The grid holds 100,000 rows x 5 columns of lead-like texts (name,
// post code, town out of 2,000, activity out of 500, phone number), made
// from a fixed seed, and one header row:
//  - BM_GridQSort_Name: QSort by the name column with the default settings
//    (automatic compare style, cascade into the columns on the right);
//  - BM_GridQSort_NameAlphabetic: the same with the style fixed to
//    ssAlphabetic (no per-comparison style detection);
//  - BM_GridQSortIndexed_TownNameDesc: QSortIndexed by town ascending, then
//    name descending;
//  - BM_StdStableSort_Name_QStringCompare / _QCollator: std::stable_sort of
//    a copy of the name texts by QString::compare / by a QCollator;
//  - BM_StdStableSort_TownNameDesc_QStringCompare: std::stable_sort of the
//    row numbers by (town ascending, name descending).
// Between the timed sorts the grid goes back to its first order (QUnSort,
// not timed). The grid sorts report their comparisons and exchanges.
//
//   cmake --build build/default --target bench_grid_sort
//   build/default/bench/bench_grid_sort

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCollator>
#include <QStringList>
#include <algorithm>
#include <memory>
#include <numeric>
#include <random>
#include <vector>

#include "grid/model/KitGrid.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr int kRows = 100000;
constexpr int kName = 0, kPostCode = 1, kTown = 2, kActivity = 3, kPhone = 4;

struct TData {
  std::vector<QStringList> Columns;  // by column, one text per row
};

const TData& Data() {
  static const TData data = [] {
    static const char* const first[] = {"Boulangerie", "Garage", "Cabinet", "Plomberie", "Hotel", "Pharmacie",
                                        "Librairie", "Fleuriste", "Brasserie", "Atelier", "Salon", "Agence"};
    static const char* const last[] = {"Dupont", "Martin", "Bernard", "Petit", "Durand", "Leroy", "Moreau",
                                       "Simon", "Laurent", "Lefebvre", "Michel", "Garcia", "David", "Bertrand"};
    std::mt19937 random(20261211);
    TData d;
    d.Columns.resize(5);
    for (QStringList& c : d.Columns) c.reserve(kRows);
    for (int i = 0; i < kRows; ++i) {
      d.Columns[kName] << QStringLiteral("%1 %2 %3")
                              .arg(QString::fromLatin1(first[random() % 12]))
                              .arg(QString::fromLatin1(last[random() % 14]))
                              .arg(random() % 100000);
      d.Columns[kPostCode] << QStringLiteral("%1").arg(1000 + random() % 94000, 5, 10, QChar(u'0'));
      d.Columns[kTown] << QStringLiteral("Ville-%1").arg(random() % 2000);
      d.Columns[kActivity] << QStringLiteral("Activite %1").arg(random() % 500);
      d.Columns[kPhone] << QStringLiteral("0%1 %2 %3 %4 %5")
                               .arg(1 + random() % 9)
                               .arg(random() % 100, 2, 10, QChar(u'0'))
                               .arg(random() % 100, 2, 10, QChar(u'0'))
                               .arg(random() % 100, 2, 10, QChar(u'0'))
                               .arg(random() % 100, 2, 10, QChar(u'0'));
    }
    return d;
  }();
  return data;
}

std::unique_ptr<TKitStringGrid> FilledGrid() {
  const TData& d = Data();
  auto g = CreateUnique<TKitStringGrid>(nullptr);
  g->SetColCount(5);
  g->SetRowCount(kRows + 1);
  g->SetFixedRows(1);
  g->SetFixedCols(0);
  g->BeginUpdate();
  for (int c = 0; c < 5; ++c) {
    g->SetCells(c, 0, QStringLiteral("Col %1").arg(c));
    for (int r = 0; r < kRows; ++r) g->SetCells(c, r + 1, d.Columns[size_t(c)][r]);
  }
  g->EndUpdate();
  return g;
}

void RunGridSort(benchmark::State& state, const std::function<void(TKitStringGrid&)>& Prepare,
                 const std::function<void(TKitStringGrid&)>& Sort) {
  auto g = FilledGrid();
  Prepare(*g);
  int64_t compares = 0, swaps = 0;
  for (auto _ : state) {
    g->ResetSortCounters();
    Sort(*g);
    compares = g->Compares();
    swaps = g->Swaps();
    state.PauseTiming();
    g->QUnSort();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kRows);
  state.counters["compares"] = double(compares);
  state.counters["swaps"] = double(swaps);
}

void BM_GridQSort_Name(benchmark::State& state) {
  RunGridSort(state, [](TKitStringGrid&) {}, [](TKitStringGrid& g) { g.Sort(kName, sdAscending); });
}
BENCHMARK(BM_GridQSort_Name)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GridQSort_NameAlphabetic(benchmark::State& state) {
  RunGridSort(
      state,
      [](TKitStringGrid& g) {
        g.SortSettings()->SetAutoFormat(false);
        g.SortSettings()->SetDefaultFormat(ssAlphabetic);
      },
      [](TKitStringGrid& g) { g.Sort(kName, sdAscending); });
}
BENCHMARK(BM_GridQSort_NameAlphabetic)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GridQSortIndexed_TownNameDesc(benchmark::State& state) {
  RunGridSort(
      state,
      [](TKitStringGrid&) {},
      [](TKitStringGrid& g) {
        g.SortIndexes()->Clear();
        g.SortIndexes()->AddIndex(kTown, true);
        g.SortIndexes()->AddIndex(kName, false);
        g.QSortIndexed();
      });
}
BENCHMARK(BM_GridQSortIndexed_TownNameDesc)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StdStableSort_Name_QStringCompare(benchmark::State& state) {
  const QStringList& names = Data().Columns[kName];
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<QString> v(names.begin(), names.end());
    state.ResumeTiming();
    std::stable_sort(v.begin(), v.end(), [](const QString& a, const QString& b) { return QString::compare(a, b) < 0; });
    benchmark::DoNotOptimize(v.data());
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_StdStableSort_Name_QStringCompare)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StdStableSort_Name_QCollator(benchmark::State& state) {
  const QStringList& names = Data().Columns[kName];
  QCollator collator{QLocale(QLocale::French, QLocale::France)};
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<QString> v(names.begin(), names.end());
    state.ResumeTiming();
    std::stable_sort(v.begin(), v.end(), [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    benchmark::DoNotOptimize(v.data());
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_StdStableSort_Name_QCollator)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StdStableSort_TownNameDesc_QStringCompare(benchmark::State& state) {
  const QStringList& towns = Data().Columns[kTown];
  const QStringList& names = Data().Columns[kName];
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<int> rows(kRows);
    std::iota(rows.begin(), rows.end(), 0);
    state.ResumeTiming();
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
      const int t = QString::compare(towns[a], towns[b]);
      if (t != 0) return t < 0;
      return QString::compare(names[a], names[b]) > 0;
    });
    benchmark::DoNotOptimize(rows.data());
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_StdStableSort_TownNameDesc_QStringCompare)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  FormatSettings = TFormatSettings::Create(QStringLiteral("en-US"));
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  Data();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
