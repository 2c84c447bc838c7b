// Painting and column sizing of the results grid against QTableView over
// QStandardItemModel, in one binary. Both hold 100,000 rows x 12 columns of
// result-line texts (the same texts), sit in a 1920 x 1080 window on the
// offscreen platform, and are painted through their widget's repaint:
//  - BM_GridRepaint / BM_ViewRepaint: one full repaint of the window.
//  - BM_GridScroll200 / BM_ViewScroll200: 200 steps of one row down, each
//    repainted (time per 200 steps).
//  - BM_GridAutoSize / BM_ViewAutoSize: AutoSizeColumns(False, 4) against
//    resizeColumnsToContents() with every row measured (precision -1).
// The grid has the results grid's settings: no fixed cells, flat, active
// row and bold active cell shown, URLs shown as links, columns sized to
// their content.
//
//   cmake --build build/default --target bench_grid_paint
//   build/default/bench/bench_grid_paint

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>
#include <memory>

#include "bench/support/BenchSupport.h"
#include "grid/model/KitGrid.h"
#include "platform/vcl/Forms.h"

namespace {

constexpr int kRows = 100000;
constexpr int kCols = 12;
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

QString Field(int Row, int Col) {
  static const char* const names[] = {"Boulangerie", "Garage", "Cabinet", "Plomberie", "Hotel",
                                      "Pharmacie",   "Librairie", "Fleuriste", "Brasserie", "Atelier"};
  static const char* const people[] = {"Dupont", "Martin", "Bernard", "Petit", "Durand", "Leroy"};
  static const char* const streets[] = {"rue de la République", "avenue Jean Jaurès", "place du Marché",
                                        "boulevard Victor Hugo", "chemin des Vignes"};
  static const char* const towns[] = {"Lyon", "Bordeaux", "Nantes", "Lille", "Rennes", "Dijon", "Metz"};
  const uint32_t v = uint32_t(Row) * 2654435761u + uint32_t(Col) * 40503u;
  switch (Col) {
    case 0: return QString::fromUtf8(names[v % 10]) + u' ' + QString::fromUtf8(people[(v >> 4) % 6]);
    case 1: return QString::fromUtf8(names[(v >> 3) % 10]) + QStringLiteral(" et services");
    case 2: return QString::number(v % 180 + 1) + u' ' + QString::fromUtf8(streets[(v >> 5) % 5]);
    case 3: return QString::number(10000 + v % 85000);
    case 4: return QString::fromUtf8(towns[(v >> 7) % 7]);
    case 5:
    case 6:
    case 7:
      return QStringLiteral("0%1 %2 %3 %4 %5")
          .arg(Col - 3)
          .arg(v % 90 + 10)
          .arg((v >> 8) % 90 + 10)
          .arg((v >> 12) % 90 + 10)
          .arg((v >> 16) % 90 + 10);
    case 8: return QStringLiteral("contact%1@exemple.fr").arg(v % 100000);
    case 9: return QStringLiteral("https://www.exemple%1.fr").arg(v % 10000);
    case 10: return QStringLiteral("LST%1").arg(v % 10000000, 8, 10, QChar(u'0'));
    default: return QStringLiteral("page %1").arg(Row / 20 + 1);
  }
}

struct TGridWindow {
  std::unique_ptr<TForm> Form;
  TKitStringGrid* Grid = nullptr;
};

TGridWindow* gGrid = nullptr;
TGridWindow* GridWindow() {
  if (gGrid != nullptr) return gGrid;
  gGrid = [] {
    auto* win = new TGridWindow;
    win->Form = std::make_unique<TForm>(nullptr);
    win->Form->SetBounds(0, 0, kWidth, kHeight);
    win->Grid = Create<TKitStringGrid>(win->Form.get());
    TKitStringGrid* g = win->Grid;
    g->SetAlign(alClient);
    g->SetBorderStyle(bsNone);
    g->SetFixedRows(0);
    g->SetFixedCols(0);
    g->SetFlat(true);
    g->SetActiveRowShow(true);
    g->SetActiveCellShow(true);
    g->ActiveCellFont()->SetStyle(TFontStyles{fsBold});
    g->SetURLShow(true);
    g->SetFormatType(ftExcel);
    g->SetDefaultRowHeight(22);
    g->BeginUpdate();
    g->SetColCount(kCols);
    g->SetRowCount(kRows);
    for (int r = 0; r < kRows; ++r)
      for (int c = 0; c < kCols; ++c) g->SetGridCell(c, r, Field(r, c));
    g->EndUpdate();
    g->SetParent(win->Form.get());
    win->Form->Show();
    QApplication::processEvents();
    g->AutoSizeColumns(false, 4);
    g->SetFocus();
    QApplication::processEvents();
    return win;
  }();
  return gGrid;
}

struct TView {
  std::unique_ptr<QStandardItemModel> Model;
  std::unique_ptr<QTableView> View;
};

TView* gView = nullptr;
TView* View() {
  if (gView != nullptr) return gView;
  gView = [] {
    auto* view = new TView;
    view->Model = std::make_unique<QStandardItemModel>(kRows, kCols);
    for (int r = 0; r < kRows; ++r)
      for (int c = 0; c < kCols; ++c) view->Model->setItem(r, c, new QStandardItem(Field(r, c)));
    view->View = std::make_unique<QTableView>();
    view->View->setModel(view->Model.get());
    view->View->resize(kWidth, kHeight);
    view->View->verticalHeader()->setDefaultSectionSize(22);
    view->View->verticalHeader()->hide();
    view->View->horizontalHeader()->hide();
    view->View->show();
    QApplication::processEvents();
    view->View->horizontalHeader()->setResizeContentsPrecision(-1);
    view->View->resizeColumnsToContents();
    QApplication::processEvents();
    return view;
  }();
  return gView;
}

void BM_GridRepaint(benchmark::State& state) {
  TKitStringGrid* g = GridWindow()->Grid;
  g->SetTopRow(0);
  for (auto _ : state) g->WidgetIfAllocated()->repaint();
  state.counters["visible_cells"] = double(g->VisibleRowCount() + 1) * double(g->VisibleColCount() + 1);
}
BENCHMARK(BM_GridRepaint)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ViewRepaint(benchmark::State& state) {
  QTableView* v = View()->View.get();
  v->scrollToTop();
  for (auto _ : state) v->viewport()->repaint();
}
BENCHMARK(BM_ViewRepaint)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_GridScroll200(benchmark::State& state) {
  TKitStringGrid* g = GridWindow()->Grid;
  for (auto _ : state) {
    state.PauseTiming();
    g->SetTopRow(0);
    state.ResumeTiming();
    for (int i = 0; i < 200; ++i) {
      g->SetTopRow(g->TopRow() + 1);
      g->WidgetIfAllocated()->repaint();
    }
  }
}
BENCHMARK(BM_GridScroll200)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ViewScroll200(benchmark::State& state) {
  QTableView* v = View()->View.get();
  for (auto _ : state) {
    state.PauseTiming();
    v->verticalScrollBar()->setValue(0);
    state.ResumeTiming();
    for (int i = 0; i < 200; ++i) {
      v->verticalScrollBar()->setValue(v->verticalScrollBar()->value() + 1);
      v->viewport()->repaint();
    }
  }
}
BENCHMARK(BM_ViewScroll200)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_GridAutoSize(benchmark::State& state) {
  TKitStringGrid* g = GridWindow()->Grid;
  for (auto _ : state) {
    state.PauseTiming();
    for (int c = 0; c < kCols; ++c) g->SetColWidths(c, 18);
    state.ResumeTiming();
    g->AutoSizeColumns(false, 4);
  }
  int total = 0;
  for (int c = 0; c < kCols; ++c) total += g->ColWidths(c);
  state.counters["total_width"] = total;
}
BENCHMARK(BM_GridAutoSize)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_ViewAutoSize(benchmark::State& state) {
  QTableView* v = View()->View.get();
  for (auto _ : state) {
    state.PauseTiming();
    for (int c = 0; c < kCols; ++c) v->setColumnWidth(c, 18);
    state.ResumeTiming();
    v->resizeColumnsToContents();
  }
}
BENCHMARK(BM_ViewAutoSize)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarks(argc, argv, nullptr, [] {
    delete gGrid;
    delete gView;
  });
}
