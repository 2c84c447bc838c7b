// The mini-HTML engines on typical grid cell texts:
// - measuring 100,000 cell texts at a fixed width with the canvas engine,
//   plain and marked up (<b>, <font color>, a link), next to
//   QFontMetrics::boundingRect on the plain texts and QTextDocument laying
//   out the marked-up ones as HTML;
// - drawing 1,500 cells (50 rows x 30 columns) of mixed texts into a
//   1920 x 1080 bitmap with the canvas engine;
// - for comparison, the drawing facade's engine on its GDI and GDI+ back-ends:
//   the marked-up texts measured (10,000 of them) and the 1,500 cells drawn.

#include <benchmark/benchmark.h>

#include <QFontMetrics>
#include <QRandomGenerator>
#include <QString>
#include <QTextDocument>
#include <vector>

#include "bench/support/BenchSupport.h"
#include "foundation/KitGDIPlusClasses.h"
#include "foundation/KitGraphics.h"
#include "foundation/KitGraphicsHTMLEngine.h"
#include "foundation/KitMiniHTMLEngine.h"
#include "platform/vcl/Graphics.h"

namespace {

constexpr int kTexts = 100000;
constexpr int kWidth = 150;  // the cell width texts are measured at
// One font for the engines and Qt's measuring, 12 pixels high.
const QString kFont = QStringLiteral("DejaVu Sans");

const char* const kFirst[] = {"Boulangerie", "Restaurant", "Garage", "Pharmacie", "Hôtel", "Café", "Cabinet",
                              "Librairie", "Fleuriste", "Boucherie", "Agence", "Salon"};
const char* const kSecond[] = {"Martin", "du Centre", "de la Gare", "Dupont", "Saint-Michel", "des Arts",
                               "Lefèvre", "Bellevue", "du Port", "Moreau"};
const char* const kStreets[] = {"Rue de la Roquette", "Avenue Jean Jaurès", "Boulevard Voltaire",
                                "Place de la République", "Rue du Faubourg Saint-Antoine", "Quai de Valmy"};
const char* const kCities[] = {"Paris", "Lyon", "Marseille", "Toulouse", "Bordeaux", "Nantes", "Lille", "Rennes"};

// Typical cell texts: names, addresses, phone numbers, amounts, cities.
std::vector<QString> PlainTexts() {
  QRandomGenerator rng(2024);
  auto pick = [&rng](const auto& list) {
    return QString::fromUtf8(list[rng.bounded(int(std::size(list)))]);
  };
  std::vector<QString> texts;
  texts.reserve(kTexts);
  for (int i = 0; i < kTexts; ++i) {
    switch (i % 5) {
      case 0: texts.push_back(pick(kFirst) + u' ' + pick(kSecond)); break;
      case 1: texts.push_back(QString::number(rng.bounded(1, 200)) + u' ' + pick(kStreets)); break;
      case 2:
        texts.push_back(QStringLiteral("0%1 %2 %3 %4 %5")
                            .arg(rng.bounded(1, 10))
                            .arg(rng.bounded(10, 100))
                            .arg(rng.bounded(10, 100))
                            .arg(rng.bounded(10, 100))
                            .arg(rng.bounded(10, 100)));
        break;
      case 3: texts.push_back(QString::number(rng.bounded(100000) / 100.0, 'f', 2)); break;
      default: texts.push_back(QString::number(rng.bounded(10000, 96000)) + u' ' + pick(kCities)); break;
    }
  }
  return texts;
}

// The same texts with the markup grid cells carry: bold, a font colour, a
// link.
std::vector<QString> MarkedUpTexts() {
  const std::vector<QString> plain = PlainTexts();
  std::vector<QString> texts;
  texts.reserve(plain.size());
  for (size_t i = 0; i < plain.size(); ++i) {
    const QString& t = plain[i];
    const int blank = int(t.indexOf(u' '));
    const QString head = blank > 0 ? t.left(blank) : t;
    const QString tail = blank > 0 ? t.mid(blank) : QString();
    switch (i % 3) {
      case 0: texts.push_back(QStringLiteral("<b>") + head + QStringLiteral("</b>") + tail); break;
      case 1: texts.push_back(QStringLiteral("<font color=\"#C00000\">") + head + QStringLiteral("</font>") + tail); break;
      default: texts.push_back(QStringLiteral("<a href=\"https://example.org/") + QString::number(i) +
                               QStringLiteral("\">") + head + QStringLiteral("</a>") + tail); break;
    }
  }
  return texts;
}

const std::vector<QString>& Plain() {
  static const std::vector<QString> texts = PlainTexts();
  return texts;
}
const std::vector<QString>& MarkedUp() {
  static const std::vector<QString> texts = MarkedUpTexts();
  return texts;
}

class Surface {
 public:
  Surface(int W = 1920, int H = 1080) {
    FBitmap.SetPixelFormat(pf32bit);
    FBitmap.SetSize(W, H);
    TCanvas* c = FBitmap.Canvas();
    c->Font()->SetName(kFont);
    c->Font()->SetHeight(-12);
    c->Brush()->SetColor(clWhite);
    c->FillRect(TRect(0, 0, W, H));
  }
  TCanvas* Canvas() { return FBitmap.Canvas(); }
  TBitmap* Bitmap() { return &FBitmap; }

 private:
  TBitmap FBitmap;
};

void Measure(benchmark::State& state, const std::vector<QString>& texts) {
  Surface s(200, 200);
  TMiniHtmlDrawParams p;
  p.MeasureOnly = true;
  const TRect rect(0, 0, kWidth, 10000);
  TMiniHtmlDrawResult r;
  for (auto _ : state) {
    for (const QString& t : texts) {
      DrawMiniHtml(s.Canvas(), t, rect, p, r);
      benchmark::DoNotOptimize(r.Height);
    }
  }
  state.SetItemsProcessed(state.iterations() * int64_t(texts.size()));
  state.counters["us_per_text"] =
      benchmark::Counter(double(texts.size()), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert,
                         benchmark::Counter::kIs1000);
}

void BM_CanvasMeasurePlain(benchmark::State& state) { Measure(state, Plain()); }
BENCHMARK(BM_CanvasMeasurePlain)->Unit(benchmark::kMillisecond);

void BM_CanvasMeasureMarkedUp(benchmark::State& state) { Measure(state, MarkedUp()); }
BENCHMARK(BM_CanvasMeasureMarkedUp)->Unit(benchmark::kMillisecond);

// Qt's own measuring of the plain texts, wrapped at the same width.
void BM_QFontMetricsPlain(benchmark::State& state) {
  QFont font(kFont);
  font.setPixelSize(12);
  font.setKerning(false);
  const QFontMetrics metrics(font);
  for (auto _ : state) {
    for (const QString& t : Plain()) {
      const QRect r = metrics.boundingRect(QRect(0, 0, kWidth, 10000), Qt::TextWordWrap, t);
      benchmark::DoNotOptimize(r);
    }
  }
  state.SetItemsProcessed(state.iterations() * int64_t(Plain().size()));
}
BENCHMARK(BM_QFontMetricsPlain)->Unit(benchmark::kMillisecond);

// Qt's rich-text layout of the marked-up texts as HTML, at the same width.
void BM_QTextDocumentMarkedUp(benchmark::State& state) {
  QFont font(kFont);
  font.setPixelSize(12);
  QTextDocument doc;
  doc.setDefaultFont(font);
  doc.setDocumentMargin(0);
  for (auto _ : state) {
    for (const QString& t : MarkedUp()) {
      doc.setHtml(t);
      doc.setTextWidth(kWidth);
      benchmark::DoNotOptimize(doc.size());
    }
  }
  state.SetItemsProcessed(state.iterations() * int64_t(MarkedUp().size()));
}
BENCHMARK(BM_QTextDocumentMarkedUp)->Unit(benchmark::kMillisecond);

// 1,500 cells of mixed texts (plain and marked up alternately), each cell
// filled and its text drawn, as a grid repaint does.
void BM_CanvasDraw1500Cells(benchmark::State& state) {
  Surface s;
  TCanvas* c = s.Canvas();
  constexpr int rows = 50, cols = 30;
  const int cw = 1920 / cols, ch = 1080 / rows;
  TMiniHtmlDrawParams p;
  TMiniHtmlDrawResult r;
  for (auto _ : state) {
    int n = 0;
    for (int row = 0; row < rows; ++row)
      for (int col = 0; col < cols; ++col, ++n) {
        const TRect cell(col * cw, row * ch, (col + 1) * cw, (row + 1) * ch);
        c->Brush()->SetColor(row % 2 ? 0xF0F0F0 : clWhite);
        c->FillRect(cell);
        const QString& text = (n % 2 ? MarkedUp() : Plain())[size_t(n)];
        DrawMiniHtml(c, text, TRect(cell.Left + 2, cell.Top + 2, cell.Right - 2, cell.Bottom), p, r);
      }
  }
  state.SetItemsProcessed(state.iterations() * rows * cols);
}
BENCHMARK(BM_CanvasDraw1500Cells)->Unit(benchmark::kMillisecond);

// The facade's engine on the GDI back-end (native:0) and on the GDI+
// back-end (native:1): the marked-up texts measured, and the 1,500 cells
// drawn.
std::unique_ptr<TKitGraphics> Facade(bool ANative) {
  auto g = TKitGraphics::CreateBitmapCanvas(1920, 1080, ANative, false);
  TKitGraphicsFont font;
  font.SetName(kFont);
  font.SetSize(9);
  g->SetFont(&font);
  return g;
}

void BM_FacadeMeasureMarkedUp(benchmark::State& state) {
  auto g = Facade(state.range(1) != 0);
  TGraphicsHtmlParams p;
  p.MeasureOnly = true;
  p.WordWrap = true;
  const TRectF rect(0, 0, kWidth, 10000);
  TGraphicsHtmlResult r;
  const int count = int(state.range(0));
  for (auto _ : state) {
    for (int i = 0; i < count; ++i) {
      DrawGraphicsHtml(g.get(), MarkedUp()[size_t(i)], rect, p, r);
      benchmark::DoNotOptimize(r.Height);
    }
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_FacadeMeasureMarkedUp)
    ->ArgNames({"texts", "native"})
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->Unit(benchmark::kMillisecond);

void BM_FacadeDraw1500Cells(benchmark::State& state) {
  auto g = Facade(state.range(0) != 0);
  constexpr int rows = 50, cols = 30;
  const float cw = 1920.0f / cols, ch = 1080.0f / rows;
  TGraphicsHtmlParams p;
  TGraphicsHtmlResult r;
  for (auto _ : state) {
    int n = 0;
    for (int row = 0; row < rows; ++row)
      for (int col = 0; col < cols; ++col, ++n) {
        const TRectF cell(col * cw, row * ch, (col + 1) * cw, (row + 1) * ch);
        g->SetFillKind(gfkSolid);
        g->SetFillColor(row % 2 ? 0xF0F0F0 : clWhite);
        g->SetStrokeKind(gskNone);
        g->DrawRectangle(cell, gcrmNone);
        const QString& text = (n % 2 ? MarkedUp() : Plain())[size_t(n)];
        DrawGraphicsHtml(g.get(), text + QStringLiteral("</b>"),
                         TRectF(cell.Left + 2, cell.Top + 2, cell.Right - 2, cell.Bottom), p, r);
      }
  }
  state.SetItemsProcessed(state.iterations() * rows * cols);
}
BENCHMARK(BM_FacadeDraw1500Cells)->ArgName("native")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarks(argc, argv, [] { KitGDIPlusClasses::InitializeKitGDIPlusClasses(); });
}
