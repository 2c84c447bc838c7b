// Sorted insertion into a TStringList: 100,000 lines (one in ten a repeat
// of an earlier one) added to a list with Sorted = true and
// Duplicates = dupIgnore, compared under the en-US locale.
//
//   cmake --build build/default --target bench_stringlist
//   build/default/bench/bench_stringlist

#include <benchmark/benchmark.h>

#include <QLocale>
#include <QStringList>
#include <random>

#include "platform/rtl/StringList.h"

namespace {

constexpr int kLines = 100000;

const QStringList& Lines() {
  static const QStringList lines = [] {
    static const char* const streets[] = {"rue de la Paix", "avenue Foch", "boulevard Haussmann",
                                          "place Bellecour", "quai des Chartrons", "cours Mirabeau"};
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> percent(0, 99);
    QStringList result;
    result.reserve(kLines);
    for (int i = 0; i < kLines; ++i) {
      if (i > 0 && percent(random) < 10) {
        // A repeat of an earlier line.
        result << result.at(std::uniform_int_distribution<int>(0, i - 1)(random));
        continue;
      }
      // Distinct numbers in scattered order (a bijection modulo 10^7).
      const auto n = static_cast<int>((static_cast<uint64_t>(i) * 2654435761u) % 10000000u);
      result << QStringLiteral("Établissement %1 %2, %3 %4")
                    .arg(n % 2 ? "Dupont" : "durand")
                    .arg(n)
                    .arg(n % 97 + 1)
                    .arg(QString::fromUtf8(streets[n % 6]));
    }
    return result;
  }();
  return lines;
}

void BM_SortedInsertionDupIgnore(benchmark::State& state) {
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  const QStringList& lines = Lines();
  int count = 0;
  for (auto _ : state) {
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(dupIgnore);
    for (const QString& line : lines) list.Add(line);
    count = list.Count();
    benchmark::DoNotOptimize(count);
  }
  state.SetItemsProcessed(state.iterations() * kLines);
  state.counters["distinct"] = count;
}
BENCHMARK(BM_SortedInsertionDupIgnore)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
