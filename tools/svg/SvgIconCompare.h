#pragma once
// Renders SVG files with the library's SVG engine and with rsvg-convert, and
// compares the two pictures pixel by pixel. Shared by the sample test of the
// engine and the full-set comparison tool.

#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "foundation/KitGraphicsSVGEngine.h"
#include "platform/vcl/Graphics.h"

namespace svgcompare {

// The file drawn by the engine into size x size pixels over white, with
// the GDI+ back-end (ANative) or the GDI one. A null image when the file
// does not load.
inline QImage RenderOurs(const QString& AFile, int ASize, bool ANative, QString* AError = nullptr) {
  TKitGraphicsSVGImport doc;
  try {
    doc.LoadFromFile(AFile);
  } catch (const Exception& e) {
    if (AError) *AError = e.Message();
    return QImage();
  }
  TBitmap bitmap(ASize, ASize);
  bitmap.SetPixelFormat(pf32bit);
  bitmap.Canvas()->Brush()->SetColor(clWhite);
  bitmap.Canvas()->FillRect(TRect(0, 0, ASize, ASize));
  doc.Draw(bitmap.Canvas(), TRectF(0, 0, float(ASize), float(ASize)), ANative);
  return bitmap.ToImage().convertToFormat(QImage::Format_ARGB32);
}

// rsvg-convert's picture of the file at size x size over white; a null
// image when it fails.
inline QImage RenderReference(const QString& AFile, int ASize) {
  QProcess process;
  process.start(QStringLiteral("rsvg-convert"),
                {QStringLiteral("-w"), QString::number(ASize), QStringLiteral("-h"), QString::number(ASize),
                 QStringLiteral("-b"), QStringLiteral("white"), QStringLiteral("-f"), QStringLiteral("png"), AFile});
  if (!process.waitForFinished(30000) || process.exitCode() != 0) return QImage();
  QImage image;
  image.loadFromData(process.readAllStandardOutput(), "PNG");
  return image.isNull() ? image : image.convertToFormat(QImage::Format_ARGB32);
}

struct TDifference {
  // Share of pixels whose largest channel difference exceeds the tolerance.
  double BadShare = 1;
  // Mean of the largest channel difference, 0..255.
  double Mean = 255;
  int Max = 255;
};

// Both pictures composited over white, compared by the largest channel
// difference of each pixel.
inline TDifference Compare(const QImage& A, const QImage& B, int ATolerance) {
  TDifference d;
  if (A.isNull() || B.isNull() || A.size() != B.size()) return d;
  auto over = [](QRgb p) {
    const int a = qAlpha(p);
    auto c = [&](int v) { return (v * a + 255 * (255 - a)) / 255; };
    return std::array<int, 3>{c(qRed(p)), c(qGreen(p)), c(qBlue(p))};
  };
  qint64 bad = 0, sum = 0;
  int max = 0;
  for (int y = 0; y < A.height(); ++y) {
    const auto* ra = reinterpret_cast<const QRgb*>(A.constScanLine(y));
    const auto* rb = reinterpret_cast<const QRgb*>(B.constScanLine(y));
    for (int x = 0; x < A.width(); ++x) {
      const auto pa = over(ra[x]), pb = over(rb[x]);
      int m = 0;
      for (int i = 0; i < 3; ++i) m = std::max(m, std::abs(pa[size_t(i)] - pb[size_t(i)]));
      if (m > ATolerance) ++bad;
      sum += m;
      max = std::max(max, m);
    }
  }
  const double n = double(A.width()) * A.height();
  d.BadShare = bad / n;
  d.Mean = sum / n;
  d.Max = max;
  return d;
}

}  // namespace svgcompare
