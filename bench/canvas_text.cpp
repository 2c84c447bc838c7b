// Canvas throughput on a 1920 x 1080 bitmap: 10,000 TextOut and TextRect
// calls of cell-sized texts and 10,000 filled rectangles per iteration, as
// a grid repaint through TCanvas makes them.

#include <benchmark/benchmark.h>

#include <QString>
#include <array>

#include "bench/support/BenchSupport.h"
#include "platform/vcl/Graphics.h"

namespace {

constexpr int kCalls = 10000;
constexpr int kCellW = 96, kCellH = 20;

const std::array<QString, 8> kTexts = {"Boulangerie Martin", "75011 Paris",   "01 43 55 12 98",
                                       "contact@exemple.fr", "12,50",         "Restaurants",
                                       "Rue de la Roquette", "Ouvert le dimanche et les jours feries"};

// The cell of call i on a grid covering the bitmap.
TRect Cell(int i) {
  const int cols = 1920 / kCellW, rows = 1080 / kCellH;
  const int c = i % cols, r = (i / cols) % rows;
  return Bounds(c * kCellW, r * kCellH, kCellW, kCellH);
}

class Surface {
 public:
  Surface() {
    FBitmap.SetPixelFormat(pf32bit);
    FBitmap.SetSize(1920, 1080);
    TCanvas* c = FBitmap.Canvas();
    c->Font()->SetName("Tahoma");
    c->Font()->SetHeight(-12);
    c->Brush()->SetColor(clWhite);
    c->FillRect(Rect(0, 0, 1920, 1080));
  }
  TCanvas* Canvas() { return FBitmap.Canvas(); }

 private:
  TBitmap FBitmap;
};

void BM_TextOut(benchmark::State& state) {
  Surface s;
  TCanvas* c = s.Canvas();
  c->Brush()->SetStyle(bsClear);
  for (auto _ : state) {
    for (int i = 0; i < kCalls; ++i) {
      const TRect r = Cell(i);
      c->TextOut(r.Left + 2, r.Top + 2, kTexts[size_t(i) % kTexts.size()]);
    }
  }
  state.SetItemsProcessed(state.iterations() * kCalls);
}
BENCHMARK(BM_TextOut)->Unit(benchmark::kMillisecond);

// The grid's plain cell: the cell filled with the brush, the text clipped.
void BM_TextRect(benchmark::State& state) {
  Surface s;
  TCanvas* c = s.Canvas();
  c->Brush()->SetColor(clWindow);
  for (auto _ : state) {
    for (int i = 0; i < kCalls; ++i) {
      const TRect r = Cell(i);
      c->TextRect(r, r.Left + 2, r.Top + 2, kTexts[size_t(i) % kTexts.size()]);
    }
  }
  state.SetItemsProcessed(state.iterations() * kCalls);
}
BENCHMARK(BM_TextRect)->Unit(benchmark::kMillisecond);

void BM_TextRectFormat(benchmark::State& state) {
  Surface s;
  TCanvas* c = s.Canvas();
  c->Brush()->SetStyle(bsClear);
  const TTextFormat format{tfSingleLine, tfVerticalCenter, tfEndEllipsis, tfNoPrefix};
  for (auto _ : state) {
    for (int i = 0; i < kCalls; ++i) {
      TRect r = Cell(i);
      QString text = kTexts[size_t(i) % kTexts.size()];
      c->TextRect(r, text, format);
    }
  }
  state.SetItemsProcessed(state.iterations() * kCalls);
}
BENCHMARK(BM_TextRectFormat)->Unit(benchmark::kMillisecond);

void BM_FillRect(benchmark::State& state) {
  Surface s;
  TCanvas* c = s.Canvas();
  c->Brush()->SetColor(RGBToColor(0xE1, 0xE1, 0xE1));
  for (auto _ : state) {
    for (int i = 0; i < kCalls; ++i) c->FillRect(Cell(i));
  }
  state.SetItemsProcessed(state.iterations() * kCalls);
}
BENCHMARK(BM_FillRect)->Unit(benchmark::kMillisecond);

// Banded rows: the brush colour changes on every call, so the brush is
// rebuilt and selected again each time.
void BM_FillRectBanded(benchmark::State& state) {
  Surface s;
  TCanvas* c = s.Canvas();
  for (auto _ : state) {
    for (int i = 0; i < kCalls; ++i) {
      c->Brush()->SetColor(i % 2 ? clWindow : clBtnFace);
      c->FillRect(Cell(i));
    }
  }
  state.SetItemsProcessed(state.iterations() * kCalls);
}
BENCHMARK(BM_FillRectBanded)->Unit(benchmark::kMillisecond);

void BM_Rectangle(benchmark::State& state) {
  Surface s;
  TCanvas* c = s.Canvas();
  c->Brush()->SetColor(RGBToColor(0xE1, 0xE1, 0xE1));
  c->Pen()->SetColor(RGBToColor(0xA9, 0xA9, 0xA9));
  for (auto _ : state) {
    for (int i = 0; i < kCalls; ++i) c->Rectangle(Cell(i));
  }
  state.SetItemsProcessed(state.iterations() * kCalls);
}
BENCHMARK(BM_Rectangle)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
