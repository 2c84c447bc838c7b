// Object persistence round trip (save + load) of a picture of about 1 MB.

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>

#include "bench/support/BenchSupport.h"
#include "foundation/KitPersistence.h"
#include "platform/vcl/Graphics.h"

// An object holding one picture.
class TBenchPictureHolder : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TBenchPictureHolder)
  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* Value) { FPicture->Assign(Value); }

 private:
  std::unique_ptr<TPicture> FPicture = std::make_unique<TPicture>();
};

TF_PUBLISHED(TBenchPictureHolder, TPersistent) {
  return TPublished<TBenchPictureHolder>().Object("Picture", &TBenchPictureHolder::Picture,
                                                  &TBenchPictureHolder::SetPicture);
}

static void BM_PersistenceRoundTripPicture(benchmark::State& state) {
  // Noise does not compress: a 600 x 600 PNG is a little over 1 MB.
  QImage image(600, 600, QImage::Format_RGB32);
  QRandomGenerator random(7);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, random.generate() | 0xFF000000u);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  TMemoryStream png;
  png.Write(bytes.constData(), bytes.size());
  png.SetPosition(0);
  TBenchPictureHolder source, target;
  source.Picture()->LoadFromStream(&png);
  for (auto _ : state) {
    TMemoryStream stream;
    TKitPersistence::SaveSettingsToStream(&source, &stream);
    TKitPersistence::LoadSettingsFromStream(&target, &stream);
    benchmark::DoNotOptimize(target.Picture()->Graphic());
  }
  state.counters["png_bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_PersistenceRoundTripPicture)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
