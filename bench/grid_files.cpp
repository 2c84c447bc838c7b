// The grid's own file formats:
//  - BM_TextFileLoad: a text grid file of 1,000,000 cell lines (4 columns x
//    250,000 rows) loaded with LoadFromFile (events pumped at most every
//    20 ms).
//
//   cmake --build build/default --target bench_grid_files
//   build/default/bench/bench_grid_files

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "bench/support/BenchSupport.h"
#include "grid/model/KitGrid.h"

namespace {

void BM_TextFileLoad(benchmark::State& state) {
  QTemporaryDir dir;
  const QString path = dir.filePath("big.txt");
  {
    QByteArray data("4,250000\r\n");
    data.reserve(24 * 1000000);
    for (int r = 0; r < 250000; ++r)
      for (int c = 0; c < 4; ++c) data += QByteArray::number(c) + ',' + QByteArray::number(r) + ",cell text\r\n";
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(data);
  }
  for (auto _ : state) {
    auto grid = CreateUnique<TKitStringGrid>(nullptr);
    grid->SetSaveFixedCells(true);
    grid->LoadFromFile(path);
    benchmark::DoNotOptimize(grid->Cells(3, 249999));
  }
  state.counters["lines"] = 1000000;
}
BENCHMARK(BM_TextFileLoad)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
