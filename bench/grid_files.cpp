// The grid's own file formats:
//  - BM_TextFileLoad: a text grid file of 1,000,000 cell lines (4 columns x
//    250,000 rows) loaded with LoadFromFile (events pumped at most every
//    20 ms).
//  - BM_BinStreamSave / BM_BinStreamLoad: 10,000 x 20 cells, every cell
//    with properties (colour, font colour, alignment), saved to and loaded
//    from a binary grid stream; the counters give the stream's size and the
//    size of the same grid in the text stream form.
//  - BM_HtmlExport: SaveToHTMLString of 10,000 x 20 cells with 50 distinct
//    looks (background colours).
//
// Heap: as in bench_grid_cells, freed memory stays with the process unless
// TF_BENCH_COLD_HEAP=1.
//
//   cmake --build build/default --target bench_grid_files
//   build/default/bench/bench_grid_files

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "bench/support/BenchSupport.h"
#include "grid/model/KitGrid.h"
#include "platform/rtl/Streams.h"

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

std::unique_ptr<TKitStringGrid> PropertyGrid() {
  auto grid = CreateUnique<TKitStringGrid>(nullptr);
  grid->SetColCount(20);
  grid->SetRowCount(10000);
  grid->BeginUpdate();
  for (int r = 0; r < 10000; ++r)
    for (int c = 0; c < 20; ++c) {
      grid->SetCells(c, r, QStringLiteral("r%1c%2 text").arg(r).arg(c));
      grid->SetColors(c, r, (r * 31 + c) & 0xFFFFFF);
      grid->SetFontColors(c, r, clNavy);
      grid->SetAlignments(c, r, taRightJustify);
    }
  grid->EndUpdate();
  return grid;
}

void BM_BinStreamSave(benchmark::State& state) {
  auto grid = PropertyGrid();
  Int64 size = 0;
  for (auto _ : state) {
    TMemoryStream ms;
    grid->SaveToBinStream(&ms);
    size = ms.Size();
  }
  TMemoryStream text;
  grid->SaveToStream(&text);
  state.counters["bin_bytes"] = static_cast<double>(size);
  state.counters["text_bytes"] = static_cast<double>(text.Size());
}
BENCHMARK(BM_BinStreamSave)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BinStreamLoad(benchmark::State& state) {
  auto grid = PropertyGrid();
  TMemoryStream ms;
  grid->SaveToBinStream(&ms);
  for (auto _ : state) {
    auto dst = CreateUnique<TKitStringGrid>(nullptr);
    ms.SetPosition(0);
    dst->LoadFromBinStream(&ms);
    benchmark::DoNotOptimize(dst->Cells(19, 9999));
  }
}
BENCHMARK(BM_BinStreamLoad)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_HtmlExport(benchmark::State& state) {
  auto grid = CreateUnique<TKitStringGrid>(nullptr);
  grid->SetColCount(20);
  grid->SetRowCount(10000);
  grid->BeginUpdate();
  for (int r = 0; r < 10000; ++r)
    for (int c = 0; c < 20; ++c) {
      grid->SetCells(c, r, QStringLiteral("r%1c%2").arg(r).arg(c));
      grid->SetColors(c, r, 0x101010 * ((r * 20 + c) % 50));
    }
  grid->EndUpdate();
  qsizetype size = 0;
  for (auto _ : state) size = grid->SaveToHTMLString(QStringLiteral("/tmp/")).size();
  state.counters["html_chars"] = static_cast<double>(size);
}
BENCHMARK(BM_HtmlExport)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  // The heap keeps what a run frees, as a long-running program's does (see
  // bench_grid_cells); TF_BENCH_COLD_HEAP=1 gives every iteration fresh pages.
  if (qgetenv("TF_BENCH_COLD_HEAP") != "1") {
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
  }
  return RunBenchmarks(argc, argv);
}
