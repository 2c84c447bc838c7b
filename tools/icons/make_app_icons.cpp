// Draws the program's own pictures and writes them as PNG files: the images
// of the main tool bars, the images of the results tool bars, the status
// window's emblem and the window icon.
//
//   tallowfinch-make-icons <output folder>
//
// The pictures are committed under resources/app/icons, so the build never
// runs this; run it again after changing a drawing (target "app-icons").
//
// Style: flat shapes from one palette, each with a one-pixel outline in a
// darker shade of its own colour, so a picture keeps its edges on light tool
// bars and its colours on dark ones. Every size is drawn from the same
// vector shapes, antialiased; outlines are cosmetic pens of one device pixel.

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPolygonF>
#include <QString>
#include <QTransform>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <vector>

namespace {

// A fill colour and the darker outline drawn around it.
struct Tone {
  QColor Fill;
  QColor Line;
};

const Tone kBlue{QColor(0x3D, 0x85, 0xC6), QColor(0x1C, 0x4A, 0x75)};
const Tone kSky{QColor(0xA8, 0xD4, 0xF5), QColor(0x1C, 0x4A, 0x75)};
const Tone kGreen{QColor(0x43, 0xA0, 0x47), QColor(0x1B, 0x5E, 0x20)};
const Tone kRed{QColor(0xE0, 0x48, 0x3E), QColor(0x8E, 0x1F, 0x17)};
const Tone kAmber{QColor(0xF5, 0xB8, 0x2E), QColor(0x94, 0x62, 0x00)};
const Tone kOrange{QColor(0xF0, 0x84, 0x24), QColor(0x8A, 0x43, 0x00)};
const Tone kPaper{QColor(0xFA, 0xFB, 0xFC), QColor(0x56, 0x63, 0x6F)};
const Tone kFold{QColor(0xD5, 0xDC, 0xE3), QColor(0x56, 0x63, 0x6F)};
const Tone kSlate{QColor(0x8D, 0x9A, 0xA8), QColor(0x3F, 0x4B, 0x57)};
const Tone kInk{QColor(0x3F, 0x4B, 0x57), QColor(0x26, 0x2F, 0x38)};
const QColor kRule(0xA3, 0xAF, 0xBB);  // lines of text and grid lines on paper
const QColor kWhite(0xFF, 0xFF, 0xFF);

constexpr double kPi = std::numbers::pi;

// ---------------------------------------------------------------------------
// Drawing helpers. Coordinates are in the picture's design units (24 for the
// tool-bar images, 64 for the emblem); the painter's transform scales them.

QPen Outline(const QColor& color) {
  QPen pen(color, 1.0);
  pen.setCosmetic(true);
  pen.setJoinStyle(Qt::RoundJoin);
  pen.setCapStyle(Qt::RoundCap);
  return pen;
}

// Fills a shape and draws its outline.
void Shape(QPainter& p, const QPainterPath& path, const Tone& tone) {
  p.setPen(Outline(tone.Line));
  p.setBrush(tone.Fill);
  p.drawPath(path);
}

// Fills a shape without an outline (details inside another shape).
void Flat(QPainter& p, const QPainterPath& path, const QColor& color) {
  p.setPen(Qt::NoPen);
  p.setBrush(color);
  p.drawPath(path);
}

// A one-pixel line (text lines, grid lines, globe lines).
void Rule(QPainter& p, QPointF a, QPointF b, const QColor& color) {
  p.setPen(Outline(color));
  p.setBrush(Qt::NoBrush);
  p.drawLine(a, b);
}

// The area covered by a thick line along a path, as one closed shape.
QPainterPath Band(const QPainterPath& centre, double width, Qt::PenCapStyle cap = Qt::RoundCap,
                  Qt::PenJoinStyle join = Qt::RoundJoin) {
  QPainterPathStroker stroker;
  stroker.setWidth(width);
  stroker.setCapStyle(cap);
  stroker.setJoinStyle(join);
  return stroker.createStroke(centre).simplified();
}

QPainterPath Line(QPointF a, QPointF b) {
  QPainterPath path(a);
  path.lineTo(b);
  return path;
}

QPainterPath Polygon(std::initializer_list<QPointF> points) {
  QPainterPath path;
  path.addPolygon(QPolygonF(points));
  path.closeSubpath();
  return path;
}

QPainterPath Rect(double x, double y, double w, double h, double radius = 0) {
  QPainterPath path;
  if (radius > 0)
    path.addRoundedRect(QRectF(x, y, w, h), radius, radius);
  else
    path.addRect(QRectF(x, y, w, h));
  return path;
}

QPainterPath Circle(QPointF c, double r) {
  QPainterPath path;
  path.addEllipse(c, r, r);
  return path;
}

QPainterPath Ring(QPointF c, double outer, double inner) {
  QPainterPath path = Circle(c, outer);
  path.addEllipse(c, inner, inner);
  path.setFillRule(Qt::OddEvenFill);
  return path;
}

// A sheet of paper with its top right corner folded over.
QPainterPath Sheet(double x, double y, double w, double h, double fold) {
  return Polygon({{x, y}, {x + w - fold, y}, {x + w, y + fold}, {x + w, y + h}, {x, y + h}});
}

void FoldedSheet(QPainter& p, double x, double y, double w, double h, double fold) {
  Shape(p, Sheet(x, y, w, h, fold), kPaper);
  Shape(p, Polygon({{x + w - fold, y}, {x + w - fold, y + fold}, {x + w, y + fold}}), kFold);
}

// Lines of text on a sheet, from top to bottom.
void TextLines(QPainter& p, double x1, double x2, std::initializer_list<double> ys) {
  for (const double y : ys) Rule(p, {x1, y}, {x2, y}, kRule);
}

// An arrow from tail to tip: a shaft of the given width and a head.
QPainterPath Arrow(QPointF tail, QPointF tip, double shaft, double headWidth, double headLength) {
  const QPointF d = tip - tail;
  const double length = std::hypot(d.x(), d.y());
  const QPointF u = d / length;
  const QPointF n(-u.y(), u.x());
  const QPointF base = tip - u * headLength;
  return Polygon({tail + n * (shaft / 2), base + n * (shaft / 2), base + n * (headWidth / 2), tip,
                  base - n * (headWidth / 2), base - n * (shaft / 2), tail - n * (shaft / 2)});
}

// A table: a paper area with a coloured header row and grid lines.
void Table(QPainter& p, double x, double y, double w, double h, double header,
           std::initializer_list<double> columns, std::initializer_list<double> rows,
           const Tone& head) {
  const QPainterPath outline = Rect(x, y, w, h);
  Flat(p, outline, kPaper.Fill);
  Flat(p, Rect(x, y, w, header), head.Fill);
  for (const double c : columns) Rule(p, {c, y + header}, {c, y + h}, kRule);
  for (const double r : rows) Rule(p, {x, r}, {x + w, r}, kRule);
  Rule(p, {x, y + header}, {x + w, y + header}, head.Line);
  p.setPen(Outline(head.Line));
  p.setBrush(Qt::NoBrush);
  p.drawPath(outline);
}

// Point on a circle; angles in degrees, counter-clockwise from three o'clock
// as on a clock face seen on screen (y grows downwards).
QPointF OnCircle(QPointF c, double r, double degrees) {
  const double a = degrees * kPi / 180.0;
  return c + QPointF(r * std::cos(a), -r * std::sin(a));
}

// ---------------------------------------------------------------------------
// The tool-bar images (24 design units).

void DrawStop(QPainter& p) {
  QPolygonF octagon;
  for (int i = 0; i < 8; ++i) octagon << OnCircle({12, 12}, 10, 22.5 + 45 * i);
  QPainterPath shape;
  shape.addPolygon(octagon);
  shape.closeSubpath();
  Shape(p, shape, kRed);
  Flat(p, Band(Line({8.5, 8.5}, {15.5, 15.5}), 2.8).united(Band(Line({15.5, 8.5}, {8.5, 15.5}), 2.8)),
       kWhite);
}

void DrawHome(QPainter& p) {
  Shape(p, Rect(15.5, 4.5, 2.5, 5), kRed);                    // chimney
  Shape(p, Rect(5.5, 10.5, 13, 10), kPaper);                   // walls
  Shape(p, Rect(10.5, 14.5, 3, 6), kBlue);                     // door
  QPainterPath roof(QPointF(3.2, 12.2));
  roof.lineTo(12, 4.2);
  roof.lineTo(20.8, 12.2);
  Shape(p, Band(roof, 3.0, Qt::RoundCap, Qt::MiterJoin), kRed);
}

void DrawRefresh(QPainter& p) {
  // A clockwise arrow round the centre with its head at the upper right,
  // pointing down into the gap.
  const QPointF c(12, 12);
  const double r = 6.8;
  const QRectF circle(c.x() - r, c.y() - r, 2 * r, 2 * r);
  const double headAngle = 40;
  QPainterPath arc;
  arc.arcMoveTo(circle, headAngle);
  arc.arcTo(circle, headAngle, 270);
  const double a = headAngle * kPi / 180.0;
  const QPointF clockwise(std::sin(a), std::cos(a));
  const QPointF outward(std::cos(a), -std::sin(a));
  const QPointF base = OnCircle(c, r, headAngle);
  const QPainterPath head =
      Polygon({base + outward * 4.2, base + clockwise * 4.6, base - outward * 4.2});
  Shape(p, Band(arc, 3.0, Qt::FlatCap).united(head), kGreen);
}

void DrawForward(QPainter& p) { Shape(p, Arrow({3.5, 12}, {20.5, 12}, 5.5, 14, 8.5), kBlue); }

void DrawBack(QPainter& p) { Shape(p, Arrow({20.5, 12}, {3.5, 12}, 5.5, 14, 8.5), kBlue); }

void DrawSearch(QPainter& p) {
  Shape(p, Band(Line({14.8, 14.8}, {20.2, 20.2}), 3.6), kSlate);
  Flat(p, Circle({10, 10}, 5.2), kSky.Fill);
  Shape(p, Ring({10, 10}, 7.3, 5.2), kBlue);
  Flat(p, Band([] {
         QPainterPath glint;
         glint.arcMoveTo(QRectF(6.6, 6.6, 6.8, 6.8), 100);
         glint.arcTo(QRectF(6.6, 6.6, 6.8, 6.8), 100, 70);
         return glint;
       }(), 1.3),
       kWhite);
}

void DrawPage(QPainter& p) {
  FoldedSheet(p, 5.5, 2.5, 13, 19, 4.5);
  TextLines(p, 8, 16, {10.5, 13.5, 16.5});
  Rule(p, {8, 7.5}, {12.5, 7.5}, kRule);
}

void DrawGlobe(QPainter& p) {
  const QPointF c(12, 12);
  const double r = 9.5;
  const QColor lines(0xD4, 0xE8, 0xF8);
  Shape(p, Circle(c, r), kBlue);
  p.save();
  p.setClipPath(Circle(c, r - 0.3));
  p.setPen(Outline(lines));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(c, r * 0.45, r);
  p.drawLine(QPointF(c.x() - r, c.y()), QPointF(c.x() + r, c.y()));
  p.drawLine(QPointF(c.x() - r, c.y() - 5), QPointF(c.x() + r, c.y() - 5));
  p.drawLine(QPointF(c.x() - r, c.y() + 5), QPointF(c.x() + r, c.y() + 5));
  p.restore();
  p.setPen(Outline(kBlue.Line));
  p.setBrush(Qt::NoBrush);
  p.drawPath(Circle(c, r));
}

void DrawCapture(QPainter& p) {
  const QPointF c(12, 12);
  Shape(p, Circle(c, 9.8), kRed);
  Shape(p, Circle(c, 6.6), kPaper);
  Shape(p, Circle(c, 3.4), kRed);
}

void DrawSplit(QPainter& p) {
  Flat(p, Rect(2.5, 4.5, 9.5, 15), kPaper.Fill);
  Flat(p, Rect(12, 4.5, 9.5, 15), kSky.Fill);
  Flat(p, Rect(2.5, 4.5, 19, 3.5), kBlue.Fill);
  Rule(p, {2.5, 8}, {21.5, 8}, kBlue.Line);
  Rule(p, {12, 8}, {12, 19.5}, kBlue.Line);
  p.setPen(Outline(kBlue.Line));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(2.5, 4.5, 19, 15));
}

void DrawPicture(QPainter& p) {
  Shape(p, Rect(2.5, 4.5, 19, 15), kPaper);
  const QRectF inner(4.5, 6.5, 15, 11);
  p.save();
  p.setClipRect(inner);
  Flat(p, Rect(inner.x(), inner.y(), inner.width(), inner.height()), kSky.Fill);
  Shape(p, Circle({15.5, 9.8}, 1.9), kAmber);
  Shape(p, Polygon({{3.5, 18.5}, {9.5, 11}, {13.5, 15.5}, {16, 13}, {20.5, 18.5}}), kGreen);
  p.restore();
  p.setPen(Outline(kSlate.Line));
  p.setBrush(Qt::NoBrush);
  p.drawRect(inner);
}

void DrawNeutral(QPainter& p) {
  Shape(p, Rect(3.5, 3.5, 17, 17, 4), kSlate);
  for (const double x : {7.5, 12.0, 16.5}) Flat(p, Circle({x, 12}, 1.7), kWhite);
}

void DrawData(QPainter& p) {
  Table(p, 2.5, 3.5, 19, 17, 4, {8.5, 15}, {11.5, 16}, kBlue);
}

void DrawTimer(QPainter& p) {
  const QPointF c(12, 13.5);
  Shape(p, Rect(10.5, 1.8, 3, 3), kSlate);                              // crown
  Shape(p, Band(Line({17.6, 5.6}, {19.2, 4}), 2.2, Qt::FlatCap), kSlate);  // side button
  Shape(p, Circle(c, 9), kAmber);
  Shape(p, Circle(c, 6.8), kPaper);
  for (int i = 0; i < 4; ++i) Rule(p, OnCircle(c, 6.8, 90 * i), OnCircle(c, 5.3, 90 * i), kSlate.Line);
  Flat(p, Band(Line(c, {12, 8.6}), 1.6), kInk.Fill);
  Flat(p, Band(Line(c, OnCircle(c, 4.4, -30)), 1.6), kRed.Fill);
  Flat(p, Circle(c, 1.3), kInk.Fill);
}

// ---------------------------------------------------------------------------
// The images of the results tool bars (24 design units).

void DrawSaveCsv(QPainter& p) {
  FoldedSheet(p, 3.5, 1.5, 13, 18, 4.5);
  TextLines(p, 6, 12.5, {8.5, 11.5, 14.5});
  Shape(p, Arrow({17.5, 9.5}, {17.5, 22.5}, 4.4, 10.5, 5.5), kGreen);
}

void DrawToGrid(QPainter& p) {
  Table(p, 8.5, 6.5, 13, 15, 3.5, {13.5}, {14, 17.5}, kGreen);
  Shape(p, Arrow({1.8, 13.5}, {14.5, 13.5}, 4.2, 10, 5.5), kBlue);
}

void DrawWorkbook(QPainter& p) {
  Shape(p, Rect(2.5, 2.5, 19, 19, 2.5), kGreen);
  const QRectF cells(5.5, 7.5, 13, 11);
  Flat(p, Rect(cells.x(), cells.y(), cells.width(), cells.height()), kPaper.Fill);
  Rule(p, {12, 7.5}, {12, 18.5}, kGreen.Fill);
  Rule(p, {5.5, 11.5}, {18.5, 11.5}, kGreen.Fill);
  Rule(p, {5.5, 15}, {18.5, 15}, kGreen.Fill);
  p.setPen(Outline(kGreen.Line));
  p.setBrush(Qt::NoBrush);
  p.drawRect(cells);
  Flat(p, Rect(5.5, 4, 13, 1.6, 0.8), kWhite);  // title strip of the sheet
}

void DrawRemoveDuplicates(QPainter& p) {
  FoldedSheet(p, 8.5, 1.5, 12, 15, 3.5);
  FoldedSheet(p, 3.5, 5.5, 12, 15, 3.5);
  TextLines(p, 6, 12.5, {11.5, 14.5});
  Shape(p, Circle({17, 17}, 5.5), kRed);
  Flat(p, Rect(13.8, 16, 6.4, 2, 0.5), kWhite);
}

void DrawClear(QPainter& p) {
  Rule(p, {3, 21}, {21, 21}, kRule);
  p.save();
  p.translate(12.5, 11.5);
  p.rotate(-40);
  Shape(p, Rect(-9, -4.5, 8, 9, 1.5), kRed);  // rubber
  Shape(p, Rect(-1, -4.5, 10, 9, 1.5), kBlue);  // sleeve
  Rule(p, {-1, -4.5}, {-1, 4.5}, kBlue.Line);
  p.restore();
}

// ---------------------------------------------------------------------------
// The emblem (64 design units): a finch perched on a twig in a blue disc.

void DrawFinch(QPainter& p) {
  const QPointF centre(32, 32);
  Shape(p, Circle(centre, 30.5), kBlue);
  Flat(p, Circle(centre, 27), kSky.Fill);
  p.save();
  p.setClipPath(Circle(centre, 27));

  // The twig across the disc.
  Shape(p, Band(Line({2, 50}, {62, 44}), 3.4), kInk);

  // Tail, body and head as one shape.
  const QPainterPath tail = Polygon({{21, 38}, {5, 48.5}, {8.5, 52}, {25, 43.5}});
  QPainterPath body;
  body.addEllipse(QPointF(0, 0), 15.5, 11);
  body = QTransform().translate(30, 36).rotate(-18).map(body);
  const QPainterPath bird = tail.united(body).united(Circle({41, 22.5}, 9));
  Shape(p, bird, kAmber);

  // The dark cap and the wing with its bar.
  p.save();
  p.setClipPath(bird);
  Flat(p, Circle({39, 15.5}, 8.2), kInk.Fill);
  p.restore();
  // The wing: a dark leaf from the shoulder to the tail, with a pale bar.
  QPainterPath wing(QPointF(40, 30));
  wing.cubicTo(33, 24.5, 20, 32, 12.5, 45.5);
  wing.cubicTo(22, 44, 33, 40.5, 40, 30);
  Shape(p, wing, kInk);
  p.save();
  p.setClipPath(wing);
  Flat(p, Band(Line({26.8, 29.8}, {33.4, 41.2}), 2.4, Qt::FlatCap), kPaper.Fill);
  p.restore();
  Flat(p, tail.intersected(Polygon({{5, 48.5}, {8.5, 52}, {14, 49}, {11, 45}})), kInk.Fill);

  // Beak and eye.
  Shape(p, Polygon({{48.5, 19.5}, {57, 23.5}, {48.5, 27}}), kOrange);
  Flat(p, Circle({43.5, 21}, 2.2), kInk.Line);
  Flat(p, Circle({44.2, 20.3}, 0.75), kWhite);

  // Feet on the twig.
  Shape(p, Band(Line({29, 46}, {29.5, 48.6}), 1.6), kOrange);
  Shape(p, Band(Line({35, 45}, {35.5, 48}), 1.6), kOrange);
  p.restore();
  p.setPen(Outline(kBlue.Line));
  p.setBrush(Qt::NoBrush);
  p.drawPath(Circle(centre, 27));
}

// ---------------------------------------------------------------------------

struct Picture {
  const char* File;
  int Size;
  double Design;  // design units across the picture
  std::function<void(QPainter&)> Draw;
};

QImage Render(const Picture& picture) {
  QImage image(picture.Size, picture.Size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(picture.Size / picture.Design, picture.Size / picture.Design);
  picture.Draw(p);
  p.end();
  return image.convertToFormat(QImage::Format_ARGB32);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "cannot create %s\n", argv[1]);
    return 1;
  }
  const std::vector<Picture> pictures = {
      {"nav00-stop.png", 24, 24, DrawStop},
      {"nav01-home.png", 24, 24, DrawHome},
      {"nav02-refresh.png", 24, 24, DrawRefresh},
      {"nav03-forward.png", 24, 24, DrawForward},
      {"nav04-back.png", 24, 24, DrawBack},
      {"nav05-search.png", 24, 24, DrawSearch},
      {"nav06-page.png", 24, 24, DrawPage},
      {"nav07-directory.png", 24, 24, DrawGlobe},
      {"nav08-capture.png", 24, 24, DrawCapture},
      {"nav09-split.png", 24, 24, DrawSplit},
      {"nav10-picture.png", 24, 24, DrawPicture},
      {"nav11-neutral.png", 24, 24, DrawNeutral},
      {"nav12-data.png", 24, 24, DrawData},
      {"nav13-timer.png", 24, 24, DrawTimer},
      {"result02-save-csv.png", 24, 24, DrawSaveCsv},
      {"result04-to-grid.png", 24, 24, DrawToGrid},
      {"result08-workbook.png", 24, 24, DrawWorkbook},
      {"result09-remove-duplicates.png", 24, 24, DrawRemoveDuplicates},
      {"result10-clear.png", 24, 24, DrawClear},
      {"splash.png", 64, 64, DrawFinch},
      {"main.png", 48, 64, DrawFinch},
  };
  for (const Picture& picture : pictures) {
    const QString file = QDir(folder).filePath(QString::fromLatin1(picture.File));
    if (!Render(picture).save(file, "PNG")) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
