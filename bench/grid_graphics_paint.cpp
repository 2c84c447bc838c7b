// A full repaint of a grid whose every visible cell holds a graphic or a
// check box, in a 1920 x 1080 window on the offscreen platform: 12 columns
// of check boxes (plain and data), three-state boxes, radio buttons,
// progress bars, ratings, shapes, buttons, image-list images, progress pies
// and comments, 2,000 rows.
//  - BM_GraphicsRepaint: one full repaint, the default (classic) look.
//  - BM_GraphicsRepaintGlyphs: the same with the grid's own VDX glyphs.
//  - BM_CheckBoxesRepaint: every cell a check box (half of them checked).
//
//   cmake --build build/default --target bench_grid_graphics_paint
//   build/default/bench/bench_grid_graphics_paint

#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>

#include "bench/support/BenchSupport.h"
#include "grid/model/KitGrid.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"

namespace {

constexpr int kRows = 2000;
constexpr int kCols = 12;
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

struct TGridWindow {
  std::unique_ptr<TForm> Form;
  std::unique_ptr<TImageList> Images;
  TKitStringGrid* Grid = nullptr;
};

TGridWindow* NewWindow(bool CheckBoxesOnly) {
  auto* win = new TGridWindow;
  win->Form = std::make_unique<TForm>(nullptr);
  win->Form->SetBounds(0, 0, kWidth, kHeight);
  win->Grid = Create<TKitStringGrid>(win->Form.get());
  win->Images = std::make_unique<TImageList>(nullptr);
  win->Images->SetSize(16, 16);
  for (TColor c : {0x2030D0, 0x30A030, 0xD07020}) {
    TBitmap b(16, 16);
    b.Canvas()->Brush()->SetColor(c);
    b.Canvas()->FillRect(TRect(0, 0, 16, 16));
    win->Images->Add(&b, nullptr);
  }
  TKitStringGrid* g = win->Grid;
  g->SetAlign(alClient);
  g->SetBorderStyle(bsNone);
  g->SetFixedRows(1);
  g->SetFixedCols(0);
  g->SetDefaultRowHeight(24);
  g->SetDefaultColWidth(158);
  g->SetGridImages(win->Images.get());
  g->BeginUpdate();
  g->SetColCount(kCols);
  g->SetRowCount(kRows);
  for (int c = 0; c < kCols; ++c) g->SetCells(c, 0, QStringLiteral("Column %1").arg(c));
  for (int r = 1; r < kRows; ++r)
    for (int c = 0; c < kCols; ++c) {
      if (CheckBoxesOnly) {
        g->SetCells(c, r, QStringLiteral("item %1").arg(r));
        g->AddCheckBox(c, r, (r + c) % 2 == 0, false);
        continue;
      }
      switch (c) {
        case 0:
          g->SetCells(c, r, QStringLiteral("Listing %1").arg(r));
          g->AddCheckBox(c, r, r % 2 == 0, false);
          break;
        case 1:
          g->SetCells(c, r, r % 3 ? QStringLiteral("Y") : QStringLiteral("N"));
          g->AddCheckBox(c, r, false, true);
          break;
        case 2: g->AddCheckBox(c, r, TCheckBoxState(r % 3)); break;
        case 3: g->AddRadioButtonGroup(c, r, rgCol, r % 5 == 0); break;
        case 4:
          g->SetCells(c, r, QString::number(r % 101));
          g->AddProgress(c, r, 0xC07020, clWhite);
          break;
        case 5:
          g->SetCells(c, r, QString::number((r % 11) / 2.0));
          g->AddRating(c, r, 5, 0x00A5FF, 0xD0D0D0);
          break;
        case 6: g->AddShape(c, r, TCellShape(r % 7), clRed, clMaroon, haCenter, vaCenter); break;
        case 7: g->AddButton(c, r, 70, 18, QStringLiteral("Open"), haCenter, vaCenter); break;
        case 8:
          g->SetCells(c, r, QStringLiteral("image"));
          g->AddImageIdx(c, r, r % 3, haBeforeText, vaCenter);
          break;
        case 9:
          g->SetCells(c, r, QStringLiteral("done"));
          g->AddProgressPie(c, r, clGreen, r % 100);
          break;
        case 10:
          g->SetCells(c, r, QString::number(r % 200 - 100));
          g->AddRangeIndicator(c, r, 100, clRed, clGreen, false);
          break;
        default:
          g->SetCells(c, r, QStringLiteral("note %1").arg(r));
          g->AddComment(c, r, QStringLiteral("comment"));
          break;
      }
    }
  g->EndUpdate();
  g->SetParent(win->Form.get());
  win->Form->Show();
  QApplication::processEvents();
  return win;
}

TGridWindow* gMixed = nullptr;
TGridWindow* gChecks = nullptr;

void Repaint(benchmark::State& state, TKitStringGrid* g) {
  g->SetTopRow(1);
  g->WidgetIfAllocated()->repaint();
  for (auto _ : state) g->WidgetIfAllocated()->repaint();
  state.counters["visible_cells"] = double(g->VisibleRowCount() + 1) * double(g->VisibleColCount());
}

void BM_GraphicsRepaint(benchmark::State& state) {
  if (gMixed == nullptr) gMixed = NewWindow(false);
  gMixed->Grid->ControlLook()->SetControlStyle(TControlLook::csClassic);
  Repaint(state, gMixed->Grid);
}
BENCHMARK(BM_GraphicsRepaint)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_GraphicsRepaintGlyphs(benchmark::State& state) {
  if (gMixed == nullptr) gMixed = NewWindow(false);
  gMixed->Grid->ControlLook()->SetControlStyle(TControlLook::csVDX);
  Repaint(state, gMixed->Grid);
  gMixed->Grid->ControlLook()->SetControlStyle(TControlLook::csClassic);
}
BENCHMARK(BM_GraphicsRepaintGlyphs)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_CheckBoxesRepaint(benchmark::State& state) {
  if (gChecks == nullptr) gChecks = NewWindow(true);
  Repaint(state, gChecks->Grid);
}
BENCHMARK(BM_CheckBoxesRepaint)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarks(argc, argv, nullptr, [] {
    delete gMixed;
    delete gChecks;
  });
}
