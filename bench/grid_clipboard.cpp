// The grid's clipboard (the offscreen platform's clipboard, in process):
//  - BM_CopyText / BM_PasteText: 100,000 text cells (10 x 10,000) copied as
//    the TAB/line text, and that text pasted into a fresh 10 x 10 grid that
//    grows to take it.
//  - BM_CopyCells / BM_PasteCells: 10,000 x 20 cells, every cell with
//    properties (colour, font colour, alignment), through the grid's own
//    clipboard format (the binary grid stream) beside the text; the paste
//    reads and checks the whole stream, keeping nothing, before it touches
//    the target (damaged data changes nothing), then loads it.
//
//   cmake --build build/default --target bench_grid_clipboard
//   build/default/bench/bench_grid_clipboard

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <memory>

#include "bench/support/BenchSupport.h"
#include "grid/model/KitGrid.h"
#include "platform/rtl/Streams.h"

namespace {

std::unique_ptr<TKitStringGrid> TextGrid() {
  auto grid = CreateUnique<TKitStringGrid>(nullptr);
  grid->SetFixedCols(0);
  grid->SetFixedRows(0);
  grid->SetColCount(10);
  grid->SetRowCount(10000);
  grid->BeginUpdate();
  for (int r = 0; r < 10000; ++r)
    for (int c = 0; c < 10; ++c) grid->SetCells(c, r, QStringLiteral("r%1c%2 text").arg(r).arg(c));
  grid->EndUpdate();
  grid->SetSelection(TGridRect{0, 0, 9, 9999});
  return grid;
}

std::unique_ptr<TKitStringGrid> Target() {
  auto grid = CreateUnique<TKitStringGrid>(nullptr);
  grid->SetFixedCols(0);
  grid->SetFixedRows(0);
  grid->SetColCount(10);
  grid->SetRowCount(10);
  grid->SetOptions(grid->Options() + TGridOptions{goEditing});
  return grid;
}

void BM_CopyText(benchmark::State& state) {
  auto grid = TextGrid();
  for (auto _ : state) grid->CopySelectionToClipboard();
  state.counters["chars"] = static_cast<double>(QGuiApplication::clipboard()->text().size());
}
BENCHMARK(BM_CopyText)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_PasteText(benchmark::State& state) {
  TextGrid()->CopySelectionToClipboard();
  for (auto _ : state) {
    state.PauseTiming();
    auto dst = Target();
    state.ResumeTiming();
    int cols = 0, rows = 0;
    const int n = dst->PasteFromClipboardAt(0, 0, cols, rows);
    state.PauseTiming();
    state.counters["cells_read"] = n;
    state.counters["last_cell_ok"] = dst->Cells(9, 9999) == QStringLiteral("r9999c9 text");
    dst.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_PasteText)->Unit(benchmark::kMillisecond)->Iterations(5);

std::unique_ptr<TKitStringGrid> PropertyGrid() {
  auto grid = CreateUnique<TKitStringGrid>(nullptr);
  grid->SetFixedCols(0);
  grid->SetFixedRows(0);
  grid->SetColCount(20);
  grid->SetRowCount(10000);
  grid->Navigation()->SetAllowFmtClipboard(true);
  grid->BeginUpdate();
  for (int r = 0; r < 10000; ++r)
    for (int c = 0; c < 20; ++c) {
      grid->SetCells(c, r, QStringLiteral("r%1c%2 text").arg(r).arg(c));
      grid->SetColors(c, r, (r * 31 + c) & 0xFFFFFF);
      grid->SetFontColors(c, r, clNavy);
      grid->SetAlignments(c, r, taRightJustify);
    }
  grid->EndUpdate();
  grid->SetSelection(TGridRect{0, 0, 19, 9999});
  return grid;
}

void BM_CopyCells(benchmark::State& state) {
  auto grid = PropertyGrid();
  for (auto _ : state) grid->CopySelectionToClipboard();
  state.counters["stream_bytes"] = static_cast<double>(
      QGuiApplication::clipboard()->mimeData()->data("application/x-tallowfinch-tkitstringgrid+cells").size());
}
BENCHMARK(BM_CopyCells)->Unit(benchmark::kMillisecond)->Iterations(3);

// The binary stream alone, for comparison with the copy.
void BM_SaveStreamOnly(benchmark::State& state) {
  auto grid = PropertyGrid();
  for (auto _ : state) {
    TBytesStream bs;
    grid->SaveRectToBinStream(TRect(0, 0, 19, 9999), &bs, false);
    benchmark::DoNotOptimize(bs.Size());
  }
}
BENCHMARK(BM_SaveStreamOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PasteCells(benchmark::State& state) {
  PropertyGrid()->CopySelectionToClipboard();
  for (auto _ : state) {
    state.PauseTiming();
    auto dst = Target();
    dst->SetRowCount(2);  // not the whole grid's size: a paste at a cell
    dst->Navigation()->SetAllowFmtClipboard(true);
    state.ResumeTiming();
    int cols = 0, rows = 0;
    const int n = dst->PasteFromClipboardAt(0, 1, cols, rows);
    state.PauseTiming();
    state.counters["cells_read"] = n;
    state.counters["last_cell_ok"] = dst->Cells(19, 10000) == QStringLiteral("r9999c19 text");
    dst.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_PasteCells)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  if (qgetenv("TF_BENCH_COLD_HEAP") != "1") {
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
  }
  return RunBenchmarks(argc, argv);
}
