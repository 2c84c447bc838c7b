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
//
//   tallowfinch-svg-compare --own-size [--min-side 128] [--corpus]
//       [--list FILE] [--out DIR] [FILE-OR-FOLDER...]
//
// draws every document at a whole multiple of its own size instead (the
// longer side at least --min-side pixels), the corpus of Debian icons with
// --corpus (see SvgIconCompare.h) and the files or folders given (each
// counted under the feature its name starts with, up to the first "-"),
// and prints the share that match per feature and back-end. --list writes
// one line per document (feature, file, zoom, bad share on GDI+ and on GDI)
// for comparing two runs; --out writes every picture that does not match
// as rsvg-convert's, GDI+'s and GDI's side by side.

#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QTextStream>
#include <cstdio>
#include <map>

#include "tools/svg/SvgIconCompare.h"

namespace {

int OwnSizeRun(const QStringList& AArgs) {
  int minSide = 128, tolerance = 64;
  double badShare = 0.02;
  bool corpus = false;
  QString list, out;
  std::vector<std::pair<QString, QString>> files;
  for (int i = 0; i < AArgs.size(); ++i) {
    const QString& a = AArgs[i];
    if (a == QLatin1String("--own-size")) continue;
    if (a == QLatin1String("--min-side") && i + 1 < AArgs.size()) {
      minSide = AArgs[++i].toInt();
    } else if (a == QLatin1String("--tolerance") && i + 1 < AArgs.size()) {
      tolerance = AArgs[++i].toInt();
    } else if (a == QLatin1String("--bad-share") && i + 1 < AArgs.size()) {
      badShare = AArgs[++i].toDouble();
    } else if (a == QLatin1String("--corpus")) {
      corpus = true;
    } else if (a == QLatin1String("--list") && i + 1 < AArgs.size()) {
      list = AArgs[++i];
    } else if (a == QLatin1String("--out") && i + 1 < AArgs.size()) {
      out = AArgs[++i];
    } else if (QFileInfo(a).isDir()) {
      for (const QString& f : svgcompare::SvgFilesIn(a)) files.emplace_back(svgcompare::CaseFeature(f), f);
    } else {
      files.emplace_back(svgcompare::CaseFeature(a), a);
    }
  }
  if (corpus) {
    const auto c = svgcompare::CorpusFiles();
    files.insert(files.begin(), c.begin(), c.end());
  }
  struct TCount {
    int Documents = 0, Native = 0, Gdi = 0, NoReference = 0;
  };
  std::map<QString, TCount> counts;
  TCount all;
  QFile listFile(list);
  QTextStream listStream;
  if (!list.isEmpty() && listFile.open(QIODevice::WriteOnly | QIODevice::Truncate)) listStream.setDevice(&listFile);
  for (const auto& [feature, file] : files) {
    const svgcompare::TDocumentResult r = svgcompare::CompareAtOwnSize(file, feature, minSide, tolerance);
    TCount& c = counts[feature];
    if (r.ReferenceFailed) {
      ++c.NoReference;
      ++all.NoReference;
      continue;
    }
    const bool native = r.NativeMatches(badShare), gdi = r.GdiMatches(badShare);
    for (TCount* t : {&c, &all}) {
      ++t->Documents;
      t->Native += native;
      t->Gdi += gdi;
    }
    if (listStream.device())
      listStream << feature << '\t' << file << '\t' << r.Zoom << '\t'
                 << QString::number(r.NativeDifference.BadShare, 'f', 4) << '\t'
                 << QString::number(r.GdiDifference.BadShare, 'f', 4) << '\n';
    if (!r.LoadError.isEmpty()) std::printf("  load failed: %s: %s\n", qPrintable(file), qPrintable(r.LoadError));
    if (!out.isEmpty() && (!native || !gdi) && !r.Native.isNull()) {
      const int w = r.Reference.width(), h = r.Reference.height();
      QImage row(w * 3 + 8, h, QImage::Format_ARGB32);
      row.fill(Qt::red);
      QPainter p(&row);
      p.drawImage(0, 0, r.Reference);
      p.drawImage(w + 4, 0, r.Native);
      p.drawImage(2 * w + 8, 0, r.Gdi);
      p.end();
      row.save(QStringLiteral("%1/%2-%3.png").arg(out, feature, QFileInfo(file).completeBaseName()));
    }
  }
  auto share = [](int n, int d) { return d == 0 ? 0.0 : 100.0 * n / d; };
  std::printf("%-12s %9s %16s %16s\n", "feature", "documents", "GDI+ matches", "GDI matches");
  for (const auto& [feature, c] : counts)
    std::printf("%-12s %9d %8d %6.1f%% %8d %6.1f%%%s\n", qPrintable(feature), c.Documents, c.Native,
                share(c.Native, c.Documents), c.Gdi, share(c.Gdi, c.Documents),
                c.NoReference ? qPrintable(QStringLiteral("  (%1 not drawn by rsvg-convert)").arg(c.NoReference)) : "");
  std::printf("%-12s %9d %8d %6.1f%% %8d %6.1f%%\n", "all", all.Documents, all.Native, share(all.Native, all.Documents),
              all.Gdi, share(all.Gdi, all.Documents));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (app.arguments().contains(QStringLiteral("--own-size"))) return OwnSizeRun(app.arguments().mid(1));
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
