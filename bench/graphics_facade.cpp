// The drawing facade against drawing straight on each back-end's platform:
// 10,000 filled and outlined ellipses and 10,000 rounded rectangles per
// frame through the facade on the GDI back-end against QPainter, and on the
// GDI+ back-end against the flat GDI+ functions; one 32 x 32 PNG drawn
// 10,000 times on each back-end; 10,000 cell-sized texts through the facade
// against TCanvas.TextRect.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <array>

#include "foundation/KitGDIPlusClasses.h"
#include "foundation/KitGraphics.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/PngImage.h"

using namespace KitGDIPlusClasses;

namespace {

constexpr int kShapes = 10000;
constexpr int kW = 1920, kH = 1080;
constexpr TColor kFill = 0x3080E0, kStroke = 0x203040;

// Shape i: 24 x 16 at a place of a grid over the surface.
TRectF Box(int i) {
  const int cols = kW / 24, rows = kH / 16;
  const float x = float((i % cols) * 24), y = float(((i / cols) % rows) * 16);
  return TRectF(x + 1, y + 1, x + 23, y + 15);
}

std::unique_ptr<TKitGraphics> Facade(bool ANative) {
  auto g = TKitGraphics::CreateBitmapCanvas(kW, kH, ANative, true);
  g->Context()->SetSize(kW, kH);
  g->Context()->SetAntiAliasing(ANative);
  g->SetFillColor(kFill);
  g->SetStrokeColor(kStroke);
  return g;
}

void BM_FacadeEllipses(benchmark::State& state) {
  const bool native = state.range(0) != 0;
  auto g = Facade(native);
  for (auto _ : state)
    for (int i = 0; i < kShapes; ++i) g->DrawEllipse(Box(i));
  state.SetItemsProcessed(state.iterations() * kShapes);
}
BENCHMARK(BM_FacadeEllipses)->Arg(0)->Arg(1)->ArgName("native")->Unit(benchmark::kMillisecond);

void BM_FacadeRoundRects(benchmark::State& state) {
  const bool native = state.range(0) != 0;
  auto g = Facade(native);
  for (auto _ : state)
    for (int i = 0; i < kShapes; ++i) g->DrawRoundRectangle(Box(i), 4.0f);
  state.SetItemsProcessed(state.iterations() * kShapes);
}
BENCHMARK(BM_FacadeRoundRects)->Arg(0)->Arg(1)->ArgName("native")->Unit(benchmark::kMillisecond);

// The GDI back-end's platform: QPainter on the same kind of surface, fill
// and outline of each shape, without smoothing.
void BM_QPainterEllipses(benchmark::State& state) {
  QImage image(kW, kH, QImage::Format_ARGB32_Premultiplied);
  image.fill(0xFFFFFFFF);
  QPainter p(&image);
  p.setPen(QColor(0x40, 0x30, 0x20));
  p.setBrush(QColor(0xE0, 0x80, 0x30));
  for (auto _ : state)
    for (int i = 0; i < kShapes; ++i) {
      const TRectF r = Box(i);
      p.drawEllipse(QRect(int(r.Left), int(r.Top), int(r.Width()) - 1, int(r.Height()) - 1));
    }
  state.SetItemsProcessed(state.iterations() * kShapes);
}
BENCHMARK(BM_QPainterEllipses)->Unit(benchmark::kMillisecond);

void BM_QPainterRoundRects(benchmark::State& state) {
  QImage image(kW, kH, QImage::Format_ARGB32_Premultiplied);
  image.fill(0xFFFFFFFF);
  QPainter p(&image);
  p.setPen(QColor(0x40, 0x30, 0x20));
  p.setBrush(QColor(0xE0, 0x80, 0x30));
  for (auto _ : state)
    for (int i = 0; i < kShapes; ++i) {
      const TRectF r = Box(i);
      p.drawRoundedRect(QRect(int(r.Left), int(r.Top), int(r.Width()) - 1, int(r.Height()) - 1), 4, 4);
    }
  state.SetItemsProcessed(state.iterations() * kShapes);
}
BENCHMARK(BM_QPainterRoundRects)->Unit(benchmark::kMillisecond);

// The same shapes straight on the framework canvas the GDI back-end draws
// on: one call with pen and brush, and the fill-then-outline pair the
// facade's rule makes.
void BM_CanvasEllipses(benchmark::State& state) {
  const bool twoPass = state.range(0) != 0;
  TBitmap bitmap(kW, kH);
  TCanvas* c = bitmap.Canvas();
  c->Brush()->SetColor(kFill);
  c->Pen()->SetColor(kStroke);
  for (auto _ : state)
    for (int i = 0; i < kShapes; ++i) {
      const TRectF r = Box(i);
      const TRect q(int(r.Left), int(r.Top), int(r.Right), int(r.Bottom));
      if (!twoPass) {
        c->Ellipse(q);
        continue;
      }
      c->Pen()->SetStyle(psClear);
      c->Ellipse(q);
      c->Pen()->SetStyle(psSolid);
      c->Brush()->SetStyle(bsClear);
      c->Ellipse(q);
      c->Brush()->SetStyle(bsSolid);
    }
  state.SetItemsProcessed(state.iterations() * kShapes);
}
BENCHMARK(BM_CanvasEllipses)->Arg(0)->Arg(1)->ArgName("two_pass")->Unit(benchmark::kMillisecond);

void BM_CanvasRoundRects(benchmark::State& state) {
  TBitmap bitmap(kW, kH);
  TCanvas* c = bitmap.Canvas();
  c->Brush()->SetColor(kFill);
  c->Pen()->SetColor(kStroke);
  for (auto _ : state)
    for (int i = 0; i < kShapes; ++i) {
      const TRectF r = Box(i);
      c->RoundRect(int(r.Left), int(r.Top), int(r.Right), int(r.Bottom), 8, 8);
    }
  state.SetItemsProcessed(state.iterations() * kShapes);
}
BENCHMARK(BM_CanvasRoundRects)->Unit(benchmark::kMillisecond);

// The GDI+ back-end's platform: the flat functions on a graphics over a
// bitmap of the same size, anti-aliased, fill then outline.
struct FlatSurface {
  QImage image{kW, kH, QImage::Format_ARGB32_Premultiplied};
  GpBitmap* bitmap = nullptr;
  GpGraphics* graphics = nullptr;
  GpSolidFill* brush = nullptr;
  GpPen* pen = nullptr;
  FlatSurface() {
    image.fill(0xFFFFFFFF);
    GdipCreateBitmapFromScan0(kW, kH, int(image.bytesPerLine()), PixelFormat32bppPARGB, image.bits(), &bitmap);
    GdipGetImageGraphicsContext(bitmap, &graphics);
    GdipSetSmoothingMode(graphics, SmoothingModeAntiAlias);
    GdipCreateSolidFill(0xFFE08030u, &brush);
    GdipCreatePen1(0xFF403020u, 1, UnitWorld, &pen);
  }
  ~FlatSurface() {
    GdipDeletePen(pen);
    GdipDeleteBrush(brush);
    GdipDeleteGraphics(graphics);
    GdipDisposeImage(bitmap);
  }
};

void BM_FlatGdipEllipses(benchmark::State& state) {
  FlatSurface s;
  for (auto _ : state) {
    for (int i = 0; i < kShapes; ++i) {
      const TRectF r = Box(i);
      GdipFillEllipse(s.graphics, s.brush, r.Left, r.Top, r.Width(), r.Height());
      GdipDrawEllipse(s.graphics, s.pen, r.Left, r.Top, r.Width() - 1, r.Height() - 1);
    }
    GdipFlush(s.graphics, FlushIntentionSync);
  }
  state.SetItemsProcessed(state.iterations() * kShapes);
}
BENCHMARK(BM_FlatGdipEllipses)->Unit(benchmark::kMillisecond);

// A rounded rectangle as GDI+ programs draw one: a path of four arcs and
// the lines between them, filled and outlined.
void BM_FlatGdipRoundRects(benchmark::State& state) {
  FlatSurface s;
  const float d = 8;
  for (auto _ : state) {
    for (int i = 0; i < kShapes; ++i) {
      const TRectF r = Box(i);
      GpPath* path = nullptr;
      GdipCreatePath(FillModeAlternate, &path);
      GdipAddPathArc(path, r.Left, r.Top, d, d, 180, 90);
      GdipAddPathArc(path, r.Right - d, r.Top, d, d, 270, 90);
      GdipAddPathArc(path, r.Right - d, r.Bottom - d, d, d, 0, 90);
      GdipAddPathArc(path, r.Left, r.Bottom - d, d, d, 90, 90);
      GdipClosePathFigure(path);
      GdipFillPath(s.graphics, s.brush, path);
      GdipDrawPath(s.graphics, s.pen, path);
      GdipDeletePath(path);
    }
    GdipFlush(s.graphics, FlushIntentionSync);
  }
  state.SetItemsProcessed(state.iterations() * kShapes);
}
BENCHMARK(BM_FlatGdipRoundRects)->Unit(benchmark::kMillisecond);

std::unique_ptr<TKitBitmap> Png32() {
  QImage image(32, 32, QImage::Format_ARGB32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) image.setPixel(x, y, qRgba(x * 8, y * 8, 128, 255 - x * 4));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  TMemoryStream stream;
  stream.Write(bytes.constData(), bytes.size());
  stream.SetPosition(0);
  auto picture = std::make_unique<TKitBitmap>();
  picture->LoadFromStream(&stream);
  return picture;
}

void BM_FacadeDrawBitmap(benchmark::State& state) {
  const bool native = state.range(0) != 0;
  auto picture = Png32();
  auto g = Facade(native);
  for (auto _ : state)
    for (int i = 0; i < kShapes; ++i) {
      const TRectF r = Box(i);
      g->DrawBitmap(double(r.Left), double(r.Top), double(r.Left) + 32, double(r.Top) + 32, picture.get());
    }
  state.SetItemsProcessed(state.iterations() * kShapes);
}
BENCHMARK(BM_FacadeDrawBitmap)->Arg(0)->Arg(1)->ArgName("native")->Unit(benchmark::kMillisecond);

const std::array<QString, 8> kTexts = {
    QStringLiteral("Boulangerie Martin"), QStringLiteral("75011 Paris"),   QStringLiteral("01 43 55 12 98"),
    QStringLiteral("contact@exemple.fr"), QStringLiteral("12,50"),         QStringLiteral("Restaurants"),
    QStringLiteral("Rue de la Roquette"), QStringLiteral("Ouvert le dimanche et les jours feries")};

TRectF Cell(int i) {
  const int cols = kW / 96, rows = kH / 20;
  const float x = float((i % cols) * 96), y = float(((i / cols) % rows) * 20);
  return TRectF(x, y, x + 96, y + 20);
}

void BM_FacadeDrawText(benchmark::State& state) {
  const bool native = state.range(0) != 0;
  auto g = Facade(native);
  g->Font()->SetName(QStringLiteral("DejaVu Sans"));
  g->Font()->SetSize(9);
  for (auto _ : state)
    for (int i = 0; i < kShapes; ++i)
      g->DrawText(Cell(i), kTexts[size_t(i) % kTexts.size()], false, gtaLeading, gtaCenter, gttNone, 0, -1, -1,
                  false);
  state.SetItemsProcessed(state.iterations() * kShapes);
}
BENCHMARK(BM_FacadeDrawText)->Arg(0)->Arg(1)->ArgName("native")->Unit(benchmark::kMillisecond);

void BM_CanvasTextRect(benchmark::State& state) {
  TBitmap bitmap(kW, kH);
  TCanvas* c = bitmap.Canvas();
  c->Font()->SetName(QStringLiteral("DejaVu Sans"));
  c->Font()->SetSize(9);
  c->Brush()->SetStyle(bsClear);
  const TTextFormat format{tfSingleLine, tfLeft, tfVerticalCenter, tfNoPrefix};
  for (auto _ : state)
    for (int i = 0; i < kShapes; ++i) {
      const TRectF f = Cell(i);
      TRect r(int(f.Left), int(f.Top), int(f.Right), int(f.Bottom));
      QString text = kTexts[size_t(i) % kTexts.size()];
      c->TextRect(r, text, format);
    }
  state.SetItemsProcessed(state.iterations() * kShapes);
}
BENCHMARK(BM_CanvasTextRect)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
  QApplication app(argc, argv);
  InitializeKitGDIPlusClasses();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
