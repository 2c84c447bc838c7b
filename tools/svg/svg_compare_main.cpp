// Compares the SVG engine's pictures of a set of SVG files with
// rsvg-convert's, on both drawing back-ends and at several sizes.
//
//   tallowfinch-svg-compare [--sizes 16,32,256] [--tolerance 64]
//       [--bad-share 0.02] [--worst 10] [--out DIR] FILE-OR-FOLDER...
//
// For each size and back-end it prints the share of files whose pictures
// match within the tolerance (at most the bad share of pixels differing by
// more than the tolerance in any channel), and the worst files with their
// figures. With --out the worst pictures are written side by side (ours,
// reference) as PNG files.

#include <QApplication>
#include <QDirIterator>
#include <QFileInfo>
#include <QPainter>
#include <cstdio>

#include "tools/svg/SvgIconCompare.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QList<int> sizes{16, 32, 256};
  int tolerance = 64;
  double badShare = 0.02;
  int worst = 10;
  QString out;
  QStringList files;
  const QStringList args = app.arguments().mid(1);
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a == QLatin1String("--sizes") && i + 1 < args.size()) {
      sizes.clear();
      for (const QString& s : args[++i].split(u',')) sizes << s.toInt();
    } else if (a == QLatin1String("--tolerance") && i + 1 < args.size()) {
      tolerance = args[++i].toInt();
    } else if (a == QLatin1String("--bad-share") && i + 1 < args.size()) {
      badShare = args[++i].toDouble();
    } else if (a == QLatin1String("--worst") && i + 1 < args.size()) {
      worst = args[++i].toInt();
    } else if (a == QLatin1String("--out") && i + 1 < args.size()) {
      out = args[++i];
    } else if (QFileInfo(a).isDir()) {
      QDirIterator it(a, {QStringLiteral("*.svg")}, QDir::Files, QDirIterator::Subdirectories);
      while (it.hasNext()) files << it.next();
    } else {
      files << a;
    }
  }
  files.sort();
  std::printf("%lld files, tolerance %d, bad share %.3f\n", qlonglong(files.size()), tolerance, badShare);
  for (int size : sizes) {
    for (bool native : {true, false}) {
      struct Row {
        QString File;
        svgcompare::TDifference D;
        QImage Ours, Reference;
      };
      std::vector<Row> rows;
      int matching = 0, failed = 0;
      double meanSum = 0;
      for (const QString& f : files) {
        QString error;
        Row r{f, {}, svgcompare::RenderOurs(f, size, native, &error), svgcompare::RenderReference(f, size)};
        if (r.Ours.isNull()) {
          ++failed;
          std::printf("  load failed: %s: %s\n", qPrintable(f), qPrintable(error));
        }
        r.D = svgcompare::Compare(r.Ours, r.Reference, tolerance);
        if (r.D.BadShare <= badShare) ++matching;
        meanSum += r.D.Mean;
        rows.push_back(std::move(r));
      }
      std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.D.BadShare > b.D.BadShare; });
      std::printf("size %d, %s: %d of %lld within (%.1f%%), %d failed to load, mean difference %.2f\n", size,
                  native ? "GDI+" : "GDI", matching, qlonglong(files.size()),
                  files.isEmpty() ? 0.0 : 100.0 * matching / files.size(), failed,
                  files.isEmpty() ? 0.0 : meanSum / files.size());
      for (int i = 0; i < worst && i < int(rows.size()); ++i) {
        const Row& r = rows[size_t(i)];
        std::printf("  worst %d: %.3f bad, mean %.1f, max %d  %s\n", i + 1, r.D.BadShare, r.D.Mean, r.D.Max,
                    qPrintable(r.File));
        if (!out.isEmpty() && !r.Ours.isNull() && !r.Reference.isNull()) {
          QImage pair(size * 2 + 4, size, QImage::Format_ARGB32);
          pair.fill(Qt::red);
          QPainter p(&pair);
          p.drawImage(0, 0, r.Ours);
          p.drawImage(size + 4, 0, r.Reference);
          p.end();
          pair.save(QStringLiteral("%1/%2-%3-%4-%5.png")
                        .arg(out)
                        .arg(size)
                        .arg(native ? QStringLiteral("gdip") : QStringLiteral("gdi"))
                        .arg(i + 1)
                        .arg(QFileInfo(r.File).completeBaseName()));
        }
      }
    }
  }
  return 0;
}
