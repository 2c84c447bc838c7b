#pragma once
// Renders SVG files with the library's SVG engine and with rsvg-convert, and
// compares the two pictures pixel by pixel. Shared by the sample test of the
// engine and the full-set comparison tool.

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

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

// ---------------------------------------------------------------------------
// Documents at their own size

// rsvg-convert's picture of the file at AZoom times its own size over
// white; a null image when it fails.
inline QImage RenderReferenceZoomed(const QString& AFile, int AZoom) {
  QProcess process;
  process.start(QStringLiteral("rsvg-convert"),
                {QStringLiteral("-z"), QString::number(AZoom), QStringLiteral("-b"), QStringLiteral("white"),
                 QStringLiteral("-f"), QStringLiteral("png"), AFile});
  if (!process.waitForFinished(30000) || process.exitCode() != 0) return QImage();
  QImage image;
  image.loadFromData(process.readAllStandardOutput(), "PNG");
  return image.isNull() ? image : image.convertToFormat(QImage::Format_ARGB32);
}

// The file drawn by the engine into AWidth x AHeight pixels over white.
inline QImage RenderOursSized(const QString& AFile, int AWidth, int AHeight, bool ANative, QString* AError = nullptr) {
  TKitGraphicsSVGImport doc;
  try {
    doc.LoadFromFile(AFile);
  } catch (const Exception& e) {
    if (AError) *AError = e.Message();
    return QImage();
  }
  TBitmap bitmap(AWidth, AHeight);
  bitmap.SetPixelFormat(pf32bit);
  bitmap.Canvas()->Brush()->SetColor(clWhite);
  bitmap.Canvas()->FillRect(TRect(0, 0, AWidth, AHeight));
  doc.Draw(bitmap.Canvas(), TRectF(0, 0, float(AWidth), float(AHeight)), ANative);
  return bitmap.ToImage().convertToFormat(QImage::Format_ARGB32);
}

// One document drawn by rsvg-convert and by the engine on both back-ends.
struct TDocumentResult {
  QString File;
  // The group the document is counted in (its source, or the feature a
  // hand-written case shows).
  QString Feature;
  int Zoom = 1;
  QImage Reference, Native, Gdi;
  TDifference NativeDifference, GdiDifference;
  // rsvg-convert draws nothing for it: not counted.
  bool ReferenceFailed = false;
  QString LoadError;
  bool NativeMatches(double ABadShare) const { return !ReferenceFailed && NativeDifference.BadShare <= ABadShare; }
  bool GdiMatches(double ABadShare) const { return !ReferenceFailed && GdiDifference.BadShare <= ABadShare; }
};

// The document at a whole multiple of its own size that makes its longer
// side at least AMinSide pixels (at most 8 times), drawn by rsvg-convert;
// then by the engine at exactly the size rsvg-convert made.
inline TDocumentResult CompareAtOwnSize(const QString& AFile, const QString& AFeature, int AMinSide, int ATolerance) {
  TDocumentResult r;
  r.File = AFile;
  r.Feature = AFeature;
  const QImage natural = RenderReferenceZoomed(AFile, 1);
  if (natural.isNull() || natural.width() < 1 || natural.height() < 1) {
    r.ReferenceFailed = true;
    return r;
  }
  const int side = std::max(natural.width(), natural.height());
  r.Zoom = std::clamp((AMinSide + side - 1) / side, 1, 8);
  r.Reference = r.Zoom == 1 ? natural : RenderReferenceZoomed(AFile, r.Zoom);
  if (r.Reference.isNull()) {
    r.ReferenceFailed = true;
    return r;
  }
  const int w = r.Reference.width(), h = r.Reference.height();
  r.Native = RenderOursSized(AFile, w, h, true, &r.LoadError);
  r.Gdi = RenderOursSized(AFile, w, h, false, &r.LoadError);
  r.NativeDifference = Compare(r.Native, r.Reference, ATolerance);
  r.GdiDifference = Compare(r.Gdi, r.Reference, ATolerance);
  return r;
}

// The regular files (no links) of the folder ending in ".svg", sorted.
inline QStringList SvgFilesIn(const QString& AFolder) {
  QStringList files;
  QDirIterator it(AFolder, {QStringLiteral("*.svg")}, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString f = it.next();
    if (!QFileInfo(f).isSymLink()) files << f;
  }
  files.sort();
  return files;
}

struct TCorpusPart {
  QString Feature;
  QString Folder;
  // Every Step-th regular file of the folder, in sorted order.
  int Step;
};

// The corpus of documents other people wrote, from Debian's icon themes
// (scripts/install-deps installs them): a fixed sample of each. Parts whose
// folder is missing are left out.
inline std::vector<TCorpusPart> CorpusParts() {
  return {{QStringLiteral("adwaita"), QStringLiteral("/usr/share/icons/Adwaita/scalable"), 4},
          {QStringLiteral("breeze"), QStringLiteral("/usr/share/icons/breeze"), 25}};
}

inline std::vector<std::pair<QString, QString>> CorpusFiles() {
  std::vector<std::pair<QString, QString>> result;
  for (const TCorpusPart& part : CorpusParts()) {
    const QStringList files = SvgFilesIn(part.Folder);
    for (qsizetype i = 0; i < files.size(); i += part.Step) result.emplace_back(part.Feature, files[i]);
  }
  return result;
}

// The feature of a hand-written case: its file name up to the first "-".
inline QString CaseFeature(const QString& AFile) {
  const QString base = QFileInfo(AFile).completeBaseName();
  const qsizetype dash = base.indexOf(u'-');
  return dash > 0 ? base.left(dash) : base;
}

}  // namespace svgcompare
