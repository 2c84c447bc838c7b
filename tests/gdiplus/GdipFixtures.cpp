#include "tests/gdiplus/GdipFixtures.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "tests/support/TestSupport.h"

namespace gdipfixtures {

TPargbSurface::TPargbSurface(int W, int H) : bitmap(W, H, PixelFormat32bppPARGB), graphics(&bitmap) {}

QColor TPargbSurface::At(int X, int Y) {
  graphics.Flush(FlushIntentionSync);
  ARGB c = 0;
  bitmap.GetPixel(X, Y, c);
  return QColor::fromRgba(c);
}

QImage TPargbSurface::Image() {
  graphics.Flush(FlushIntentionSync);
  QImage image(int(bitmap.Width()), int(bitmap.Height()), QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      ARGB c = 0;
      bitmap.GetPixel(x, y, c);
      image.setPixel(x, y, c);
    }
  return image;
}

TSurface::TSurface(int W, int H, QColor Fill) : FBitmap(std::make_unique<TBitmap>(W, H)) {
  FBitmap->SetPixelFormat(pf32bit);
  FBitmap->Canvas()->Brush()->SetColor(RGBToColor(Byte(Fill.red()), Byte(Fill.green()), Byte(Fill.blue())));
  FBitmap->Canvas()->FillRect(TRect(0, 0, W, H));
}

TSurface::~TSurface() = default;

std::unique_ptr<KitGDIP::TGPGraphics> TSurface::Graphics() {
  return std::make_unique<KitGDIP::TGPGraphics>(FBitmap->Canvas()->Handle());
}

QImage TSurface::Image() {
  GdiFlush();
  QImage image = FBitmap->ToImage();
  return image.convertToFormat(QImage::Format_ARGB32);
}

namespace {
class TStandInImport : public TKitSVGImport {
 public:
  bool HasElements() override { return FHas; }
  int ElementCount() override { return FHas ? 1 : 0; }
  void Clear() override {
    FHas = false;
    FViewRect = TRectF{};
  }
  void Draw(TCanvas* ACanvas, const TRectF& ARect, bool) override {
    ACanvas->Brush()->SetColor(clFuchsia);
    ACanvas->FillRect(TRect(int(ARect.Left), int(ARect.Top), int(ARect.Right), int(ARect.Bottom)));
  }
  void LoadFromStream(TStream* AStream) override {
    QByteArray bytes(qsizetype(AStream->Size() - AStream->Position()), '\0');
    if (!bytes.isEmpty()) AStream->ReadBuffer(bytes.data(), bytes.size());
    Clear();
    FHas = bytes.contains("<svg");
    const qsizetype at = bytes.indexOf("viewBox ");
    if (at >= 0) {
      const QList<QByteArray> parts = bytes.mid(at + 8).split(' ');
      if (parts.size() >= 4)
        FViewRect = TRectF{parts[0].toFloat(), parts[1].toFloat(), parts[0].toFloat() + parts[2].toFloat(),
                           parts[1].toFloat() + parts[3].toFloat()};
    }
  }

 private:
  bool FHas = false;
};
}  // namespace

TStandInSVG::TStandInSVG() {
  TKitSVGImport::SetSVGImportFactory([] { return std::make_unique<TStandInImport>(); });
}
TStandInSVG::~TStandInSVG() { TKitSVGImport::SetSVGImportFactory({}); }

QByteArray TStandInSVG::Document(int W, int H) {
  return QStringLiteral("<svg viewBox 0 0 %1 %2 ></svg>").arg(W).arg(H).toUtf8();
}

QString WriteFile(const QString& Path, const QByteArray& Bytes) {
  testsupport::WriteBytes(Path, Bytes);
  return Path;
}

QString PictureFolder() {
  const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/test-pictures");
  QDir().mkpath(folder);
  return folder;
}

}  // namespace gdipfixtures
