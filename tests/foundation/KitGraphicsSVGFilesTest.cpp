// The SVG engine on icons nobody here drew: a thousand randomly damaged
// icons of the Adwaita theme (documents of our own when the theme is
// missing) must load or fail cleanly. The comparison with rsvg-convert's
// pictures is an interop test (tests/foundation/interop).
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <random>

#include "tools/svg/SvgFuzzEntry.h"

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
