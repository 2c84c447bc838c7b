// The grid's print engine:
//  - BM_PageCount: the page count of a 10,000-row x 10-column grid, the
//    counting pass a preview runs (PrintPreview of page 1 on an image
//    canvas: the count over every row, then page 1 drawn).
//  - BM_PrintPdf20: printing a grid of 20 PDF pages through the printer
//    object (the counting pass, 20 pages rastered at 300 dpi with their text
//    kept as text, the PDF written).
//
//   cmake --build build/default --target bench_grid_print
//   build/default/bench/bench_grid_print

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPageSize>
#include <QPrinter>
#include <QTemporaryDir>
#include <memory>

#include "bench/support/BenchSupport.h"
#include "grid/model/KitGrid.h"
#include "platform/vcl/Printers.h"
#include "platform/win32/Gdi.h"

namespace {

std::unique_ptr<TKitStringGrid> Grid(int Rows, int Cols) {
  auto g = CreateUnique<TKitStringGrid>(nullptr);
  g->SetColCount(Cols);
  g->SetRowCount(Rows + 1);
  g->SetFixedRows(1);
  g->SetFixedCols(0);
  for (int c = 0; c < Cols; ++c) {
    g->SetCells(c, 0, QStringLiteral("Column %1").arg(c));
    for (int r = 1; r <= Rows; ++r) g->SetCells(c, r, QStringLiteral("Lead %1 field %2").arg(r).arg(c));
  }
  return g;
}

void BM_PageCount(benchmark::State& state) {
  auto g = Grid(10000, 10);
  QImage image(800, 1100, QImage::Format_ARGB32_Premultiplied);
  HDC dc = CreateImageDC(&image, 96);
  TCanvas canvas;
  canvas.SetHandle(dc);
  int pages = 0;
  for (auto _ : state) {
    image.fill(Qt::white);
    g->SetPreviewPage(1);
    g->PrintPreview(&canvas, TRect(0, 0, 800, 1100));
    pages = g->PrintNrOfPages();
  }
  state.counters["pages"] = pages;
  canvas.SetHandle(nullptr);
  DeleteDC(dc);
}
BENCHMARK(BM_PageCount)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PrintPdf20(benchmark::State& state) {
  QTemporaryDir dir;
  auto* prn = new TPrinter;
  prn->QtPrinter()->setOutputFormat(QPrinter::PdfFormat);
  prn->QtPrinter()->setOutputFileName(dir.filePath("bench.pdf"));
  prn->QtPrinter()->setPageSize(QPageSize(QPageSize::A4));
  TPrinter* old = SetPrinter(prn);
  auto g = Grid(1, 6);
  // Rows for 20 pages: count the rows of one page first.
  g->SetRowCount(2000);
  for (int r = 1; r < 2000; ++r)
    for (int c = 0; c < 6; ++c) g->SetCells(c, r, QStringLiteral("Lead %1 field %2").arg(r).arg(c));
  g->OnPrintStart = [](TObject*, int, int& From, int& To) {
    From = 1;
    To = 20;
  };
  int pages = 0;
  for (auto _ : state) {
    g->Print();
    pages = g->PrintPageTo() - g->PrintPageFrom() + 1;
  }
  state.counters["pages"] = pages;
  delete SetPrinter(old);
}
BENCHMARK(BM_PrintPdf20)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
