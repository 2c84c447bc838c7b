// The static GDI+ binding and its pictures, each beside its peer in the same
// run:
// - GDIPDraw of a 256 x 256 PNG (1,000 draws) and of a 1024 x 768 JPEG (100
//   draws) against QPainter::drawImage of the same pictures decoded once;
// - 10,000 anti-aliased ellipses and 10,000 DrawString calls through the
//   wrappers against the same calls straight on the flat API;
// - TGDIPFill::Fill of a 200 x 40 rectangle with every option on (1,000);
// - THTMLPictureCache::Animate over 50 animated GIFs for 100 ticks, against
//   reading every GIF's frames anew on every tick.

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <memory>

#include "bench/support/BenchSupport.h"
#include "gdiplus/GDIPFill.h"
#include "gdiplus/KitGDIP.h"
#include "gdiplus/KitGDIPPicture.h"
#include "gdiplus/PictureContainer.h"
#include "tools/PictureFiles.h"

using namespace KitGDIP;

namespace {

template <class F>
F Proc(const char* name) {
  return reinterpret_cast<F>(GdiplusProc(name));
}

// A 1024 x 768 premultiplied surface with a static-binding graphics on it.
class Surface {
 public:
  Surface() : image_(1024, 768, QImage::Format_ARGB32_Premultiplied) {
    image_.fill(Qt::white);
    GpBitmap* bitmap = nullptr;
    Proc<PFN_GdipCreateBitmapFromScan0>("GdipCreateBitmapFromScan0")(
        image_.width(), image_.height(), int(image_.bytesPerLine()), PixelFormat32bppPARGB, image_.bits(), &bitmap);
    bitmap_ = std::make_unique<TGPBitmap>(bitmap);
    graphics_ = std::make_unique<TGPGraphics>(bitmap_.get());
  }
  ~Surface() {
    graphics_.reset();
    bitmap_.reset();
  }
  TGPGraphics* Graphics() { return graphics_.get(); }
  QImage& Image() { return image_; }

 private:
  QImage image_;
  std::unique_ptr<TGPBitmap> bitmap_;
  std::unique_ptr<TGPGraphics> graphics_;
};

// A photo-like picture: smooth gradients with some detail.
QImage Photo(int w, int h) {
  QImage image(w, h, QImage::Format_ARGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      image.setPixel(x, y, qRgb((x * 255) / w, (y * 255) / h, ((x ^ y) & 0x3F) + 96));
  return image;
}

std::unique_ptr<TKitGDIPPicture> PictureOf(const QByteArray& bytes) {
  auto picture = std::make_unique<TKitGDIPPicture>();
  TBytesStream stream(bytes);
  picture->LoadFromStream(&stream);
  return picture;
}

void GdipDraw(benchmark::State& state, const QByteArray& bytes, int size, int draws) {
  Surface surface;
  auto picture = PictureOf(bytes);
  const int w = picture->Width(), h = picture->Height();
  for (auto _ : state) {
    for (int i = 0; i < draws; ++i) {
      const REAL x = REAL((i * 37) % std::max(1, 1024 - w)), y = REAL((i * 53) % std::max(1, 768 - h));
      picture->GDIPDraw(surface.Graphics(), TGPRectF{x, y, REAL(w), REAL(h)});
    }
    surface.Graphics()->Flush(FlushIntentionSync);
  }
  state.counters["decodes"] = picture->Datastream().DecodeCount();
  // The last draw's pixels arrived: the picture's own colour at its centre.
  const QRgb centre = surface.Image().pixel(w / 2, h / 2);
  state.counters["drawn"] = qRed(centre) != 255 || qGreen(centre) != 255 ? 1 : 0;
  state.SetItemsProcessed(state.iterations() * draws);
  (void)size;
}

void QtDraw(benchmark::State& state, const QByteArray& bytes, int draws) {
  Surface surface;
  // Decoded once, in the format Qt's reader gives (opaque pictures: RGB32,
  // which Qt draws without blending).
  const QImage decoded = QImage::fromData(bytes);
  state.counters["qt_format"] = int(decoded.format());
  for (auto _ : state) {
    QPainter painter(&surface.Image());
    for (int i = 0; i < draws; ++i) {
      const int x = (i * 37) % std::max(1, 1024 - decoded.width()), y = (i * 53) % std::max(1, 768 - decoded.height());
      painter.drawImage(QRect(x, y, decoded.width(), decoded.height()), decoded);
    }
  }
  const QRgb centre = surface.Image().pixel(decoded.width() / 2, decoded.height() / 2);
  state.counters["drawn"] = qRed(centre) != 255 || qGreen(centre) != 255 ? 1 : 0;
  state.SetItemsProcessed(state.iterations() * draws);
}

const QByteArray& Png256() {
  static const QByteArray bytes = picturefiles::Png(Photo(256, 256));
  return bytes;
}
const QByteArray& Jpeg1024() {
  static const QByteArray bytes = picturefiles::Jpeg(Photo(1024, 768), 90);
  return bytes;
}

void BM_GDIPDraw_Png256(benchmark::State& state) { GdipDraw(state, Png256(), 256, 1000); }
void BM_QPainterDrawImage_Png256(benchmark::State& state) { QtDraw(state, Png256(), 1000); }
void BM_GDIPDraw_Jpeg1024x768(benchmark::State& state) { GdipDraw(state, Jpeg1024(), 1024, 100); }
void BM_QPainterDrawImage_Jpeg1024x768(benchmark::State& state) { QtDraw(state, Jpeg1024(), 100); }
BENCHMARK(BM_GDIPDraw_Png256)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QPainterDrawImage_Png256)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GDIPDraw_Jpeg1024x768)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QPainterDrawImage_Jpeg1024x768)->Unit(benchmark::kMillisecond);

constexpr int kShapes = 10000;

void BM_WrapperEllipses(benchmark::State& state) {
  Surface surface;
  surface.Graphics()->SetSmoothingMode(SmoothingModeAntiAlias);
  for (auto _ : state) {
    for (int i = 0; i < kShapes; ++i) {
      TGPSolidBrush brush(0xFF000000 | ARGB(i * 2654435761u >> 8));
      surface.Graphics()->FillEllipse(&brush, REAL(i % 1000), REAL((i * 7) % 740), 24.0f, 16.0f);
    }
    surface.Graphics()->Flush(FlushIntentionSync);
  }
  state.SetItemsProcessed(state.iterations() * kShapes);
}
BENCHMARK(BM_WrapperEllipses)->Unit(benchmark::kMillisecond);

void BM_FlatEllipses(benchmark::State& state) {
  Surface surface;
  GpGraphics* g = TNative::Get(surface.Graphics());
  auto createSolid = Proc<PFN_GdipCreateSolidFill>("GdipCreateSolidFill");
  auto fill = Proc<PFN_GdipFillEllipse>("GdipFillEllipse");
  auto deleteBrush = Proc<PFN_GdipDeleteBrush>("GdipDeleteBrush");
  Proc<PFN_GdipSetSmoothingMode>("GdipSetSmoothingMode")(g, SmoothingModeAntiAlias);
  for (auto _ : state) {
    for (int i = 0; i < kShapes; ++i) {
      GpSolidFill* brush = nullptr;
      createSolid(0xFF000000 | ARGB(i * 2654435761u >> 8), &brush);
      fill(g, brush, REAL(i % 1000), REAL((i * 7) % 740), 24.0f, 16.0f);
      deleteBrush(brush);
    }
    Proc<PFN_GdipFlush>("GdipFlush")(g, FlushIntentionSync);
  }
  state.SetItemsProcessed(state.iterations() * kShapes);
}
BENCHMARK(BM_FlatEllipses)->Unit(benchmark::kMillisecond);

const QString kText = QStringLiteral("Boulangerie Martin, 75011 Paris");

void BM_WrapperDrawString(benchmark::State& state) {
  Surface surface;
  TGPFont font(QStringLiteral("DejaVu Sans"), 9);
  TGPSolidBrush black(0xFF000000);
  for (auto _ : state) {
    for (int i = 0; i < kShapes; ++i)
      surface.Graphics()->DrawString(kText, -1, &font, TGPRectF{REAL(i % 800), REAL((i * 7) % 740), 300, 20}, nullptr,
                                     &black);
    surface.Graphics()->Flush(FlushIntentionSync);
  }
  state.SetItemsProcessed(state.iterations() * kShapes);
}
BENCHMARK(BM_WrapperDrawString)->Unit(benchmark::kMillisecond);

void BM_FlatDrawString(benchmark::State& state) {
  Surface surface;
  TGPFont font(QStringLiteral("DejaVu Sans"), 9);
  TGPSolidBrush black(0xFF000000);
  GpGraphics* g = TNative::Get(surface.Graphics());
  auto draw = Proc<PFN_GdipDrawString>("GdipDrawString");
  for (auto _ : state) {
    for (int i = 0; i < kShapes; ++i) {
      const GpRectF rect{REAL(i % 800), REAL((i * 7) % 740), 300, 20};
      draw(g, reinterpret_cast<const WCHAR*>(kText.utf16()), int(kText.size()), TNative::Get(&font), &rect, nullptr,
           TNative::Get(&black));
    }
    Proc<PFN_GdipFlush>("GdipFlush")(g, FlushIntentionSync);
  }
  state.SetItemsProcessed(state.iterations() * kShapes);
}
BENCHMARK(BM_FlatDrawString)->Unit(benchmark::kMillisecond);

void BM_FillEveryOption(benchmark::State& state) {
  Surface surface;
  surface.Graphics()->SetSmoothingMode(SmoothingModeAntiAlias);
  TGDIPFill fill;
  fill.SetGradientType(gtVertical);
  fill.SetColor(TColor(0x0060FF));
  fill.SetColorTo(TColor(0xFF8000));
  fill.SetColorMirror(TColor(0x004080));
  fill.SetColorMirrorTo(TColor(0x00C0FF));
  fill.SetGradientMirrorType(gtRadial);
  fill.SetOpacity(230);
  fill.SetBorderColor(clBlack);
  fill.SetBorderWidth(2);
  fill.SetRounding(8);
  fill.SetShadowOffset(4);
  fill.SetShadowType(stRightBottom);
  fill.SetGlow(gmRadialGradient);
  fill.SetFocus(true);
  fill.SetFocusColor(clRed);
  TBytesStream icon(picturefiles::Png(picturefiles::Quadrants(16, 16)));
  fill.Picture()->LoadFromStream(&icon);
  fill.SetPicturePosition(ppCenterLeft);
  constexpr int kFills = 1000;
  for (auto _ : state) {
    for (int i = 0; i < kFills; ++i) {
      const TGPRectF r{REAL((i * 41) % 800), REAL((i * 29) % 700), 200, 40};
      benchmark::DoNotOptimize(fill.Fill(surface.Graphics(), r));
    }
    surface.Graphics()->Flush(FlushIntentionSync);
  }
  state.SetItemsProcessed(state.iterations() * kFills);
}
BENCHMARK(BM_FillEveryOption)->Unit(benchmark::kMillisecond);

constexpr int kGifs = 50, kTicks = 100;

const QByteArray& AnimatedGif() {
  // 24 frames of 320 x 320: about 1 MB.
  static const QByteArray bytes = [] {
    picturefiles::TGifOptions options;
    options.Width = 320;
    options.Height = 320;
    options.Delays = std::vector<int>(24, 10);
    return picturefiles::Gif(options);
  }();
  return bytes;
}

void BM_AnimateCache(benchmark::State& state) {
  THTMLPictureCache cache;
  for (int i = 0; i < kGifs; ++i) {
    TBytesStream stream(AnimatedGif());
    cache.AddPicture()->LoadFromStream(&stream);
  }
  int advanced = 0;
  for (auto _ : state)
    for (int tick = 0; tick < kTicks; ++tick) advanced += cache.Animate() ? 1 : 0;
  int builds = 0;
  for (int i = 0; i < cache.Count(); ++i) builds += cache.GetPicture(i)->FrameTableBuilds();
  state.counters["frame_table_builds"] = builds;
  state.counters["gif_kb"] = AnimatedGif().size() / 1024;
  state.SetItemsProcessed(state.iterations() * kGifs * kTicks);
}
BENCHMARK(BM_AnimateCache)->Unit(benchmark::kMillisecond);

// The reference: every picture's frames read anew on every tick (what a
// byte-by-byte rescan per frame change amounts to).
void BM_ReadFramesEveryTick(benchmark::State& state) {
  std::vector<QByteArray> gifs(kGifs, AnimatedGif());
  for (auto _ : state)
    for (int tick = 0; tick < kTicks; ++tick)
      for (const QByteArray& gif : gifs) benchmark::DoNotOptimize(ParseGifFrames(gif).size());
  state.SetItemsProcessed(state.iterations() * kGifs * kTicks);
}
BENCHMARK(BM_ReadFramesEveryTick)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarks(argc, argv, [] { KitGDIP::Initialization(); });
}
