// Spreadsheet number formats and the floating footer's calculation:
//  - BM_ApplyExcelNumberFormat: 1,000,000 values through "#,##0.00" and
//    "[h]:mm" (en-US settings), next to BM_QLocaleToString formatting the
//    same values with QLocale::toString (grouped, two decimals) as the
//    peer; the ratio of the two is the cost of the format language;
//  - BM_FooterRecalc: a grid of 100,000 data rows with a visible last-row
//    footer of five columns (sum, average, minimum, maximum, count), every
//    footer value recalculated (CalcFooter(-1)).
//
//   cmake --build build/default --target bench_grid_number_format
//   build/default/bench/bench_grid_number_format

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLocale>
#include <QVariant>
#include <random>
#include <vector>

#include "grid/model/KitGrid.h"
#include "grid/model/KitGridNumberFormat.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr int kValues = 1000000;

const std::vector<double>& Values() {
  static const std::vector<double> values = [] {
    std::mt19937 random(20261211);
    std::uniform_real_distribution<double> dist(0, 100000);
    std::vector<double> v(kValues);
    for (double& x : v) x = dist(random);
    return v;
  }();
  return values;
}

void RunFormat(benchmark::State& state, const QString& format) {
  const auto& values = Values();
  size_t chars = 0;
  for (auto _ : state) {
    chars = 0;
    for (double v : values) chars += size_t(ApplyExcelNumberFormat(QVariant(v), format).size());
    benchmark::DoNotOptimize(chars);
  }
  state.counters["chars"] = double(chars);
  state.SetItemsProcessed(int64_t(state.iterations()) * kValues);
}

void BM_ApplyExcelNumberFormat_Grouped2(benchmark::State& state) { RunFormat(state, QStringLiteral("#,##0.00")); }
void BM_ApplyExcelNumberFormat_ElapsedHours(benchmark::State& state) { RunFormat(state, QStringLiteral("[h]:mm")); }

void BM_QLocaleToString(benchmark::State& state) {
  const auto& values = Values();
  const QLocale locale(QLocale::English, QLocale::UnitedStates);
  size_t chars = 0;
  for (auto _ : state) {
    chars = 0;
    for (double v : values) chars += size_t(locale.toString(v, 'f', 2).size());
    benchmark::DoNotOptimize(chars);
  }
  state.counters["chars"] = double(chars);
  state.SetItemsProcessed(int64_t(state.iterations()) * kValues);
}

void BM_FooterRecalc(benchmark::State& state) {
  constexpr int kRows = 100000;
  auto grid = CreateUnique<TKitStringGrid>(nullptr);
  grid->SetColCount(6);
  grid->SetFixedRows(1);
  grid->SetRowCount(kRows + 2);
  std::mt19937 random(7);
  grid->BeginUpdate();
  for (int r = 1; r <= kRows; ++r)
    for (int c = 1; c <= 5; ++c) grid->SetCells(c, r, QString::number(int(random() % 100000) / 100.0, 'f', 2));
  grid->EndUpdate();
  grid->FloatingFooter()->SetVisible(true);
  const TColumnCalcType types[] = {acSUM, acAVG, acMIN, acMAX, acCOUNT};
  grid->FloatingFooter()->SetEnableCalculation(false);
  for (int c = 1; c <= 5; ++c) grid->FloatingFooter()->SetColumnCalc(c, types[c - 1]);
  grid->FloatingFooter()->SetEnableCalculation(true);
  for (auto _ : state) grid->CalcFooter(-1);
  state.counters["sum"] = grid->Floats(1, kRows + 1);
  state.SetItemsProcessed(int64_t(state.iterations()) * kRows * 5);
}

}  // namespace

BENCHMARK(BM_ApplyExcelNumberFormat_Grouped2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplyExcelNumberFormat_ElapsedHours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QLocaleToString)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FooterRecalc)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
  QApplication app(argc, argv);
  FormatSettings = TFormatSettings::Create("en-US");
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
