// The SVG engine on icons nobody here drew: a fixed sample of the Adwaita
// icon theme compared with rsvg-convert's pictures on both back-ends, and a
// thousand randomly damaged icons that must load or fail cleanly.
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <random>

#include "tools/svg/SvgFuzzEntry.h"
#include "tools/svg/SvgIconCompare.h"

namespace {

const QString kIconFolder = QStringLiteral("/usr/share/icons/Adwaita/scalable");

QStringList IconFiles() {
  QStringList files;
  QDirIterator it(kIconFolder, {QStringLiteral("*.svg")}, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) files << it.next();
  files.sort();
  return files;
}

// Documents of our own, for when the icon theme is missing.
QList<QByteArray> OwnSeeds() {
  return {
      "<svg viewBox='0 0 16 16'><path d='m 3 1 c -1.6 0 -3 1.3 -3 3 v 6 h 4 l 3 -3 z m 0 0' fill='#2e3436'/></svg>",
      "<svg viewBox='0 0 16 16'><g transform='translate(1,1) scale(0.5)'><circle cx='8' cy='8' r='7'/>"
      "<rect x='1' y='2' width='3' height='4' rx='1'/></g><polygon points='0,0 4,4 8,0'/></svg>",
      "<svg viewBox='0 0 16 16'><defs><linearGradient id='g'><stop offset='0' stop-color='red'/></linearGradient>"
      "</defs><style>.a{fill:url(#g)}</style><rect class='a' width='8' height='8'/>"
      "<path d='M8 1a7 7 0 100 14A7 7 0 008 1z' stroke='#000' stroke-width='2'/></svg>",
  };
}

}  // namespace

TEST(KitSVGFiles, AdwaitaSampleMatchesRsvg) {
  const QStringList files = IconFiles();
  if (files.size() < 100) GTEST_SKIP() << "adwaita-icon-theme is not installed (scripts/install-deps installs it)";
  if (QStandardPaths::findExecutable(QStringLiteral("rsvg-convert")).isEmpty())
    GTEST_SKIP() << "rsvg-convert is not installed (scripts/install-deps installs librsvg2-bin)";
  // Every thirteenth icon: about fifty, spread over the whole theme. The
  // GDI+ back-end anti-aliases as rsvg does: at most 2 % of the pixels may
  // differ by more than 64 in a channel. The GDI back-end does not, so its
  // edge pixels differ by up to half the range: at most 5 % beyond 128.
  // Icons with fill-opacity or opacity are counted apart: the engine reads
  // opacity only as the element's own and fill-opacity not at all.
  int sample = 0, plain = 0, withinNative = 0, withinGdi = 0, plainNative = 0;
  for (qsizetype i = 0; i < files.size(); i += 13) {
    const QString& file = files[i];
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const bool opacity = f.readAll().contains("opacity");
    const QImage reference = svgcompare::RenderReference(file, 32);
    ASSERT_FALSE(reference.isNull()) << file.toStdString();
    QString error;
    const QImage native = svgcompare::RenderOurs(file, 32, true, &error);
    ASSERT_FALSE(native.isNull()) << file.toStdString() << ": " << error.toStdString();
    const QImage gdi = svgcompare::RenderOurs(file, 32, false, &error);
    ASSERT_FALSE(gdi.isNull()) << file.toStdString() << ": " << error.toStdString();
    ++sample;
    const bool nativeMatches = svgcompare::Compare(native, reference, 64).BadShare <= 0.02;
    if (nativeMatches) ++withinNative;
    if (svgcompare::Compare(gdi, reference, 128).BadShare <= 0.05) ++withinGdi;
    if (!opacity) {
      ++plain;
      if (nativeMatches) ++plainNative;
      EXPECT_TRUE(nativeMatches) << file.toStdString();
    }
  }
  ASSERT_GE(sample, 45);
  ASSERT_GE(plain, 35);
  // Measured: 36 and 37 of the 50 (14 of them use opacity); every plain icon
  // matches on GDI+.
  EXPECT_GE(double(withinNative) / sample, 0.65) << withinNative << " of " << sample;
  EXPECT_GE(double(withinGdi) / sample, 0.65) << withinGdi << " of " << sample;
  EXPECT_EQ(plainNative, plain);
}

TEST(KitSVGFiles, ThousandDamagedIconsLoadOrFailCleanly) {
  QList<QByteArray> seeds;
  for (const QString& file : IconFiles()) {
    QFile f(file);
    if (f.open(QIODevice::ReadOnly)) seeds << f.readAll();
  }
  if (seeds.isEmpty()) seeds = OwnSeeds();
  static const char* const tokens[] = {"<", ">", "\"", "'", "&", "&amp;", "1e999", "-", ".", "e", "M", "a", "z", "A",
                                       "<g>", "</g>", "<svg>", " transform='scale(1e38) rotate(1e9)'", "<!ENTITY",
                                       "]]>", "<![CDATA[", "url(#", "#", "nan", "inf", "0 0 1e30 1e30", "\xFF\xFE",
                                       "viewBox='0 0 99999 99999'", " style='fill:rgb(999%,,)'", "<use href='#a'/>"};
  std::mt19937 random(19);
  auto pick = [&](size_t n) { return n == 0 ? size_t(0) : size_t(random() % n); };
  int loaded = 0, refused = 0;
  QElapsedTimer timer;
  timer.start();
  for (int i = 0; i < 1000; ++i) {
    QByteArray data = seeds[qsizetype(pick(size_t(seeds.size())))];
    const int edits = 1 + int(pick(8));
    for (int e = 0; e < edits && !data.isEmpty(); ++e) {
      const qsizetype at = qsizetype(pick(size_t(data.size())));
      switch (pick(5)) {
        case 0: data[at] = char(random()); break;
        case 1: data.remove(at, qsizetype(pick(64)) + 1); break;
        case 2: data.insert(at, data.mid(qsizetype(pick(size_t(data.size()))), qsizetype(pick(80)))); break;
        case 3: data.insert(at, tokens[pick(std::size(tokens))]); break;
        case 4: data.truncate(at); break;
      }
    }
    SCOPED_TRACE(i);
    const svgfuzz::TOutcome outcome =
        svgfuzz::KitSVGFuzzRun(reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()));
    (outcome == svgfuzz::TOutcome::Loaded ? loaded : refused)++;
  }
  EXPECT_EQ(loaded + refused, 1000);
  EXPECT_GT(loaded, 100) << "damage this light leaves many icons readable";
  EXPECT_GT(refused, 100) << "and breaks many";
  // Bounded: no input may take long (a generous limit, sanitizers included).
  EXPECT_LT(timer.elapsed(), 120000);
}
