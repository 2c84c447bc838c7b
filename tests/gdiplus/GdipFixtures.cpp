#include "tests/gdiplus/GdipFixtures.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>

namespace gdipfixtures {

QColor Pixel(const QImage& Image, int X, int Y) {
  if (X < 0 || Y < 0 || X >= Image.width() || Y >= Image.height()) return QColor();
  return QColor::fromRgba(Image.convertToFormat(QImage::Format_ARGB32).pixel(X, Y));
}

bool Near(const QColor& A, const QColor& B, int Tolerance) {
  return std::abs(A.red() - B.red()) <= Tolerance && std::abs(A.green() - B.green()) <= Tolerance &&
         std::abs(A.blue() - B.blue()) <= Tolerance && std::abs(A.alpha() - B.alpha()) <= Tolerance;
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
  QFile file(Path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(Bytes);
  return Path;
}

QString PictureFolder() {
  const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/test-pictures");
  QDir().mkpath(folder);
  return folder;
}

}  // namespace gdipfixtures
