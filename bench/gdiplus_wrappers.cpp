// The cost of the run-time GDI+ wrapper classes over the flat functions they
// call: 10,000 anti-aliased ellipses and 10,000 DrawString calls per
// iteration on a 512 x 512 PARGB bitmap, once through the wrappers and once
// straight through the entry-point table, on identical native objects.

#include <benchmark/benchmark.h>

#include <QImage>
#include <QString>

#include <array>
#include <memory>

#include "bench/support/BenchSupport.h"
#include "foundation/KitGDIPlusClasses.h"

namespace {

using namespace KitGDIPlusClasses;

constexpr int kCalls = 10000;
constexpr int kSize = 512;

const std::array<QString, 8> kTexts = {
    QStringLiteral("Boulangerie Martin"), QStringLiteral("75011 Paris"),
    QStringLiteral("01 43 55 12 98"),     QStringLiteral("contact@exemple.fr"),
    QStringLiteral("12,50"),              QStringLiteral("Restaurants"),
    QStringLiteral("Rue de la Roquette"), QStringLiteral("Ouvert le dimanche")};

// The ellipse of call i: cycling over a grid of 32 x 32 cells.
TGPRectF Cell(int i) {
  const int cols = kSize / 32;
  const int c = i % cols, r = (i / cols) % cols;
  return TGPRectF{REAL(c * 32 + 2), REAL(r * 32 + 3), 27.5f, 22.5f};
}

// A fresh picture per benchmark, so both variants draw on the same pixels.
struct Picture {
  Picture() : image(kSize, kSize, QImage::Format_ARGB32_Premultiplied) { image.fill(0xFFFFFFFF); }
  QImage image;
};

void BM_EllipsesWrappers(benchmark::State& state) {
  Picture p;
  TGPBitmap bitmap(kSize, kSize, int(p.image.bytesPerLine()), PixelFormat32bppPARGB,
                   p.image.bits());
  TGPGraphics graphics(&bitmap);
  graphics.SetSmoothingMode(SmoothingModeAntiAlias);
  TGPSolidBrush brush(0xC02060A0u);
  for (auto _ : state) {
    for (int i = 0; i < kCalls; ++i) {
      const TGPRectF r = Cell(i);
      graphics.FillEllipse(&brush, r.X, r.Y, r.Width, r.Height);
    }
    graphics.Flush(FlushIntentionSync);
  }
  state.SetItemsProcessed(state.iterations() * kCalls);
}
BENCHMARK(BM_EllipsesWrappers)->Unit(benchmark::kMillisecond);

void BM_EllipsesFlat(benchmark::State& state) {
  Picture p;
  GpBitmap* bitmap = nullptr;
  GdipCreateBitmapFromScan0(kSize, kSize, int(p.image.bytesPerLine()), PixelFormat32bppPARGB,
                            p.image.bits(), &bitmap);
  GpGraphics* graphics = nullptr;
  GdipGetImageGraphicsContext(bitmap, &graphics);
  GdipSetSmoothingMode(graphics, SmoothingModeAntiAlias);
  GpSolidFill* brush = nullptr;
  GdipCreateSolidFill(0xC02060A0u, &brush);
  for (auto _ : state) {
    for (int i = 0; i < kCalls; ++i) {
      const TGPRectF r = Cell(i);
      GdipFillEllipse(graphics, brush, r.X, r.Y, r.Width, r.Height);
    }
    GdipFlush(graphics, FlushIntentionSync);
  }
  GdipDeleteBrush(brush);
  GdipDeleteGraphics(graphics);
  GdipDisposeImage(bitmap);
  state.SetItemsProcessed(state.iterations() * kCalls);
}
BENCHMARK(BM_EllipsesFlat)->Unit(benchmark::kMillisecond);

void BM_DrawStringWrappers(benchmark::State& state) {
  Picture p;
  TGPBitmap bitmap(kSize, kSize, int(p.image.bytesPerLine()), PixelFormat32bppPARGB,
                   p.image.bits());
  TGPGraphics graphics(&bitmap);
  TGPFont font(QStringLiteral("DejaVu Sans"), 11, FontStyleRegular, UnitPixel);
  TGPSolidBrush brush(0xFF000000u);
  for (auto _ : state) {
    for (int i = 0; i < kCalls; ++i) {
      const TGPRectF r = Cell(i);
      graphics.DrawString(kTexts[size_t(i) % kTexts.size()], &font,
                          TGPRectF{r.X, r.Y, 96, 20}, nullptr, &brush);
    }
    graphics.Flush(FlushIntentionSync);
  }
  state.SetItemsProcessed(state.iterations() * kCalls);
}
BENCHMARK(BM_DrawStringWrappers)->Unit(benchmark::kMillisecond);

void BM_DrawStringFlat(benchmark::State& state) {
  Picture p;
  GpBitmap* bitmap = nullptr;
  GdipCreateBitmapFromScan0(kSize, kSize, int(p.image.bytesPerLine()), PixelFormat32bppPARGB,
                            p.image.bits(), &bitmap);
  GpGraphics* graphics = nullptr;
  GdipGetImageGraphicsContext(bitmap, &graphics);
  GpFontFamily* family = nullptr;
  GdipCreateFontFamilyFromName(u"DejaVu Sans", nullptr, &family);
  GpFont* font = nullptr;
  GdipCreateFont(family, 11, FontStyleRegular, UnitPixel, &font);
  GpSolidFill* brush = nullptr;
  GdipCreateSolidFill(0xFF000000u, &brush);
  for (auto _ : state) {
    for (int i = 0; i < kCalls; ++i) {
      const TGPRectF r = Cell(i);
      const QString& text = kTexts[size_t(i) % kTexts.size()];
      const TGPRectF layout{r.X, r.Y, 96, 20};
      GdipDrawString(graphics, reinterpret_cast<const WCHAR*>(text.utf16()), INT(text.size()),
                     font, &layout, nullptr, brush);
    }
    GdipFlush(graphics, FlushIntentionSync);
  }
  GdipDeleteBrush(brush);
  GdipDeleteFont(font);
  GdipDeleteFontFamily(family);
  GdipDeleteGraphics(graphics);
  GdipDisposeImage(bitmap);
  state.SetItemsProcessed(state.iterations() * kCalls);
}
BENCHMARK(BM_DrawStringFlat)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarks(
      argc, argv, [] { InitializeKitGDIPlusClasses(); }, [] { FinalizeKitGDIPlusClasses(); });
}
