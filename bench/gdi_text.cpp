// GDI throughput on a 1920 x 1080 surface: 10,000 TextOut calls, 10,000
// DrawTextEx calls of cell-sized texts and 10,000 filled rectangles per
// iteration, as a grid repaint makes them.

#include <benchmark/benchmark.h>

#include <QImage>
#include <array>
#include <string>

#include "bench/support/BenchSupport.h"
#include "platform/win32/Gdi.h"

namespace {

constexpr int kCalls = 10000;
constexpr int kCellW = 96, kCellH = 20;

const std::array<std::u16string, 8> kTexts = {
    u"Boulangerie Martin", u"75011 Paris",  u"01 43 55 12 98",   u"contact@exemple.fr",
    u"12,50",              u"Restaurants",  u"Rue de la Roquette", u"Ouvert le dimanche et les jours feries"};

class Surface {
 public:
  Surface() : image_(1920, 1080, QImage::Format_ARGB32_Premultiplied) {
    image_.fill(0xFFFFFFFF);
    dc_ = CreateImageDC(&image_);
    font_ = CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, u"Tahoma");
    old_ = SelectObject(dc_, font_);
    SetBkMode(dc_, TRANSPARENT);
  }
  ~Surface() {
    SelectObject(dc_, old_);
    DeleteObject(font_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  // The cell of call i on a grid covering the surface.
  RECT Cell(int i) const {
    const int cols = 1920 / kCellW, rows = 1080 / kCellH;
    const int c = i % cols, r = (i / cols) % rows;
    return RECT{c * kCellW, r * kCellH, (c + 1) * kCellW, (r + 1) * kCellH};
  }

 private:
  QImage image_;
  HDC dc_;
  HFONT font_;
  HGDIOBJ old_;
};

void BM_TextOut(benchmark::State& state) {
  Surface s;
  for (auto _ : state) {
    for (int i = 0; i < kCalls; ++i) {
      const RECT r = s.Cell(i);
      const std::u16string& t = kTexts[size_t(i) % kTexts.size()];
      TextOutW(s.dc(), r.left + 2, r.top + 2, t.c_str(), int(t.size()));
    }
  }
  state.SetItemsProcessed(state.iterations() * kCalls);
}
BENCHMARK(BM_TextOut)->Unit(benchmark::kMillisecond);

void DrawTextCells(benchmark::State& state, UINT format) {
  Surface s;
  std::array<std::u16string, kTexts.size()> buffers = kTexts;
  DRAWTEXTPARAMS params{sizeof(DRAWTEXTPARAMS), 0, 2, 2, 0};
  for (auto _ : state) {
    for (int i = 0; i < kCalls; ++i) {
      RECT r = s.Cell(i);
      std::u16string& t = buffers[size_t(i) % buffers.size()];
      DrawTextExW(s.dc(), t.data(), int(t.size()), &r, format, &params);
    }
  }
  state.SetItemsProcessed(state.iterations() * kCalls);
}

void BM_DrawTextEx_SingleLine(benchmark::State& state) {
  DrawTextCells(state, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
}
BENCHMARK(BM_DrawTextEx_SingleLine)->Unit(benchmark::kMillisecond);

void BM_DrawTextEx_WordBreak(benchmark::State& state) {
  DrawTextCells(state, DT_WORDBREAK | DT_EDITCONTROL | DT_END_ELLIPSIS | DT_NOPREFIX);
}
BENCHMARK(BM_DrawTextEx_WordBreak)->Unit(benchmark::kMillisecond);

void BM_FillRect(benchmark::State& state) {
  Surface s;
  HBRUSH brush = CreateSolidBrush(RGB(0xE1, 0xE1, 0xE1));
  for (auto _ : state) {
    for (int i = 0; i < kCalls; ++i) {
      const RECT r = s.Cell(i);
      FillRect(s.dc(), &r, brush);
    }
  }
  DeleteObject(brush);
  state.SetItemsProcessed(state.iterations() * kCalls);
}
BENCHMARK(BM_FillRect)->Unit(benchmark::kMillisecond);

void BM_Rectangle(benchmark::State& state) {
  Surface s;
  HBRUSH brush = CreateSolidBrush(RGB(0xE1, 0xE1, 0xE1));
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(0xA9, 0xA9, 0xA9));
  HGDIOBJ oldBrush = SelectObject(s.dc(), brush);
  HGDIOBJ oldPen = SelectObject(s.dc(), pen);
  for (auto _ : state) {
    for (int i = 0; i < kCalls; ++i) {
      const RECT r = s.Cell(i);
      Rectangle(s.dc(), r.left, r.top, r.right, r.bottom);
    }
  }
  SelectObject(s.dc(), oldBrush);
  SelectObject(s.dc(), oldPen);
  DeleteObject(brush);
  DeleteObject(pen);
  state.SetItemsProcessed(state.iterations() * kCalls);
}
BENCHMARK(BM_Rectangle)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
