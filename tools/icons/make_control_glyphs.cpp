// Draws the glyphs of the facade's close, expander, compact and drop-down
// buttons and writes them as PNG files named as the painters ask for them.
//
//   tallowfinch-make-control-glyphs <output folder>
//
// The pictures are committed under resources/controls; run this again after
// changing a drawing (target "control-glyphs").
//
// Style: one dark slate stroke with round caps on a transparent ground,
// antialiased, drawn in a 16 x 16 design grid.

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <QString>
#include <cstdio>
#include <vector>

namespace {

const QColor kInk(0x3F, 0x4B, 0x57);

struct Glyph {
  const char* Name;
  int Size;
  std::vector<QPolygonF> Strokes;  // open polylines in design units
  bool Filled = false;             // the polygon is filled instead of stroked
};

QImage Draw(const Glyph& g) {
  QImage image(g.Size, g.Size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const double scale = g.Size / 16.0;
  p.scale(scale, scale);
  if (g.Filled) {
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    for (const QPolygonF& poly : g.Strokes) p.drawPolygon(poly);
  } else {
    QPen pen(kInk, 2.0);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    for (const QPolygonF& poly : g.Strokes) p.drawPolyline(poly);
  }
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  const std::vector<Glyph> glyphs = {
      {"KitGRAPHICSCLOSESVG", 16, {QPolygonF({{4, 4}, {12, 12}}), QPolygonF({{4, 12}, {12, 4}})}},
      {"KitGRAPHICSDOWNSVG", 16, {QPolygonF({{4, 6}, {8, 10}, {12, 6}})}},
      {"KitGRAPHICSUPSVG", 16, {QPolygonF({{4, 10}, {8, 6}, {12, 10}})}},
      {"KitGRAPHICSRIGHTSVG", 16, {QPolygonF({{6, 4}, {10, 8}, {6, 12}})}},
      {"KitGRAPHICSLEFTSVG", 16, {QPolygonF({{10, 4}, {6, 8}, {10, 12}})}},
      {"KitGRAPHICSEXPANDSVG", 16, {QPolygonF({{2, 5}, {14, 5}, {8, 11}})}, true},
  };
  for (const Glyph& g : glyphs) {
    const QString file = out.filePath(QString::fromLatin1(g.Name) + QStringLiteral(".png"));
    if (!Draw(g).save(file, "PNG")) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
