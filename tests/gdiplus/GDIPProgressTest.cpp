// The progress painter: its rectangles, the value text and the pictures it
// paints.

#include <gtest/gtest.h>

#include <QImage>

#include "gdiplus/GDIPFill.h"
#include "tests/gdiplus/GdipFixtures.h"
#include "tests/support/TestSupport.h"

using namespace KitGDIP;
using namespace gdipfixtures;

namespace {

struct R {
  float x, y, w, h;
};

void ExpectRect(const TGPRectF& a, R e, const char* what) {
  EXPECT_FLOAT_EQ(a.X, e.x) << what;
  EXPECT_FLOAT_EQ(a.Y, e.y) << what;
  EXPECT_FLOAT_EQ(a.Width, e.w) << what;
  EXPECT_FLOAT_EQ(a.Height, e.h) << what;
}

// A plain look: white background, red progress, no shadows or gloss.
void Plain(TGDIPProgress& p) {
  p.SetShadows(false);
  p.SetOverlays(false);
  p.BackGroundFill()->SetGradientType(gtSolid);
  p.BackGroundFill()->SetColor(0xFFFFFF);
  p.BackGroundFill()->SetColorTo(0xFFFFFF);
  p.ProgressFill()->SetGradientType(gtSolid);
  p.ProgressFill()->SetColor(0x0000FF);
  p.ProgressFill()->SetColorTo(0x0000FF);
}

TEST(GDIPProgress, ProgressRectangles) {
  TGDIPProgress p;
  const TRect r(0, 0, 200, 20);
  struct Case {
    const char* what;
    double min, max, pos;
    TGDIPProgressDirection dir;
    int border;  // the progress fill's border width (0: none)
    R expected;
  } cases[] = {
      {"at the minimum", 0, 100, 0, pbdHorizontal, 0, {0, 0, 0, 19}},
      {"at the maximum", 0, 100, 100, pbdHorizontal, 0, {0, 0, 199, 19}},
      {"half", 0, 100, 50, pbdHorizontal, 0, {0, 0, 99.5f, 19}},
      {"range 50..150", 50, 150, 100, pbdHorizontal, 0, {0, 0, 99.5f, 19}},
      {"empty range", 50, 50, 50, pbdHorizontal, 0, {0, 0, 0, 19}},
      {"beyond the maximum is held", 0, 100, 200, pbdHorizontal, 0, {0, 0, 199, 19}},
      {"bordered half", 0, 100, 50, pbdHorizontal, 2, {1, 1, 98.5f, 17}},
      {"vertical from the bottom", 0, 100, 25, pbdVertical, 0, {0, 19 - 4.75f, 199, 4.75f}},
      {"vertical full", 0, 100, 100, pbdVertical, 0, {0, 0, 199, 19}},
      {"vertical bordered", 0, 100, 100, pbdVertical, 2, {1, 1, 197, 17}},
  };
  for (const Case& c : cases) {
    p.ProgressFill()->SetBorderColor(c.border ? TColor(0) : clNone);
    p.ProgressFill()->SetBorderWidth(c.border ? c.border : 1);
    ExpectRect(p.CalculateProgressRectangle(r, c.min, c.max, c.pos, c.dir), c.expected, c.what);
  }
}

TEST(GDIPProgress, InsideRectangleFollowsTheBackgroundBorder) {
  TGDIPProgress p;
  const TRect r(10, 5, 110, 25);
  ExpectRect(p.GetInsideRectF(r), {10, 5, 99, 19}, "no border");
  const struct {
    int width;
    int inset;
  } cases[] = {{1, 1}, {2, 1}, {3, 2}, {0, 0}};
  p.BackGroundFill()->SetBorderColor(0x808080);
  for (const auto& c : cases) {
    p.BackGroundFill()->SetBorderWidth(c.width);
    ExpectRect(p.GetInsideRectF(r), {float(10 + c.inset), float(5 + c.inset), float(99 - 2 * c.inset),
                                     float(19 - 2 * c.inset)},
               "bordered");
  }
}

TEST(GDIPProgress, ValueTextFormatsAndMayBeReplaced) {
  TGDIPProgress p;
  EXPECT_EQ(p.ValueText(0, 100, 25), QStringLiteral("25%"));
  EXPECT_EQ(p.ValueText(0, 100, 250), QStringLiteral("100%"));  // held to the range
  p.SetValueType(vtPercentage);
  EXPECT_EQ(p.ValueText(0, 200, 50), QStringLiteral("25%"));
  EXPECT_EQ(p.ValueText(50, 50, 50), QStringLiteral("50%"));  // empty range: the maximum
  p.SetValueFormat(QStringLiteral("%.1f of 100"));
  EXPECT_EQ(p.ValueText(0, 200, 50), QStringLiteral("25.0 of 100"));
  QString seenFormat;
  p.OnDrawValue = [&](TObject* sender, const QString& format, QString& text) {
    EXPECT_EQ(sender, &p);
    seenFormat = format;
    text = QStringLiteral("page ") + text;
  };
  EXPECT_EQ(p.ValueText(0, 200, 50), QStringLiteral("page 25.0 of 100"));
  EXPECT_EQ(seenFormat, QStringLiteral("%.1f of 100"));
  // A format that does not take one number fails with the format error.
  p.OnDrawValue = nullptr;
  for (const char* bad : {"%s", "%d", "%.0f %.0f", "%"}) {
    p.SetValueFormat(QString::fromLatin1(bad));
    EXPECT_NE(testsupport::ErrorOf<EConvertError>([&] { p.ValueText(0, 100, 5); }).left(4), QStringLiteral("<no "))
        << bad;
  }
}

TEST(GDIPProgress, ChangesFireOnChange) {
  TGDIPProgress p;
  int changes = 0;
  p.OnChange = [&](TObject*) { ++changes; };
  p.SetShadows(true);  // unchanged
  EXPECT_EQ(changes, 0);
  p.SetShadows(false);
  p.SetValuePosition(vpLeft);
  p.ProgressFill()->SetColor(0x123456);
  p.Font()->SetColor(0x00FF00);
  EXPECT_EQ(changes, 4);
  TGDIPProgress other;
  other.SetTransparent(true);
  other.SetValueFormat(QStringLiteral("%.2f"));
  p.Assign(&other);
  EXPECT_TRUE(p.Transparent());
  EXPECT_EQ(p.ValueFormat(), QStringLiteral("%.2f"));
  EXPECT_EQ(p.ProgressFill()->Color(), other.ProgressFill()->Color());
}

TEST(GDIPProgress, FontSwitchesWhenTheProgressPassesTheTextMiddle) {
  TGDIPProgress p;
  const TGPRectF before = MakeRectF(0, 0, 49, 19), after = MakeRectF(0, 0, 51, 19);
  EXPECT_EQ(p.ValueFontAt(before, 40, 2, 20, 12, pbdHorizontal), p.Font());
  EXPECT_EQ(p.ValueFontAt(after, 40, 2, 20, 12, pbdHorizontal), p.ProgressFont());
  EXPECT_EQ(p.ValueFontAt(MakeRectF(0, 10, 20, 10), 0, 10, 20, 12, pbdVertical), p.ProgressFont());
}

// --- pictures ------------------------------------------------------------------

QImage Paint(TGDIPProgress& p, double pos, TGDIPProgressDirection dir = pbdHorizontal, int w = 200, int h = 20,
             QColor under = Qt::green) {
  TSurface s(w, h, under);
  {
    auto g = s.Graphics();
    p.Draw(g.get(), TRect(0, 0, w, h), 0, 100, pos, dir);
  }
  return s.Image();
}

TEST(GDIPProgress, PicturesOfPositionsDirectionsAndTransparency) {
  TGDIPProgress p;
  Plain(p);
  const QColor red(255, 0, 0), white(255, 255, 255), green(0, 255, 0);
  QImage img = Paint(p, 0);
  EXPECT_TRUE(Near(ColorAt(img, 5, 10), white)) << "position 0 paints no progress";
  img = Paint(p, 50);
  EXPECT_TRUE(Near(ColorAt(img, 20, 10), red));
  EXPECT_TRUE(Near(ColorAt(img, 150, 10), white));
  img = Paint(p, 100);
  EXPECT_TRUE(Near(ColorAt(img, 190, 10), red));
  img.save(PictureFolder() + QStringLiteral("/progress-full.png"));

  img = Paint(p, 25, pbdVertical, 20, 200);
  EXPECT_TRUE(Near(ColorAt(img, 10, 190), red)) << "vertical bars fill from the bottom";
  EXPECT_TRUE(Near(ColorAt(img, 10, 20), white));

  p.SetTransparent(true);
  img = Paint(p, 50);
  EXPECT_TRUE(Near(ColorAt(img, 20, 10), red));
  EXPECT_TRUE(Near(ColorAt(img, 150, 10), green)) << "a transparent appearance leaves the unfilled part";
  p.SetTransparent(false);

  // Shadows darken the ends of the progress part; the gloss lightens the top.
  p.SetShadows(true);
  img = Paint(p, 50);
  EXPECT_LT(ColorAt(img, 1, 10).red(), ColorAt(img, 40, 10).red());
  p.SetShadows(false);
  p.ProgressFill()->SetColor(0x800000);
  p.ProgressFill()->SetColorTo(0x800000);
  p.SetOverlays(true);
  img = Paint(p, 100);
  EXPECT_GT(ColorAt(img, 100, 1).red(), ColorAt(img, 100, 10).red());
  img.save(PictureFolder() + QStringLiteral("/progress-gloss.png"));
}

TEST(GDIPProgress, ValueTextIsDrawnAndAnEmptyTextDrawsNothing) {
  TGDIPProgress p;
  Plain(p);
  p.SetValueVisible(true);
  p.Font()->SetColor(0x000000);
  p.Font()->SetName(QStringLiteral("DejaVu Sans"));
  p.Font()->SetHeight(-14);
  const QImage with = Paint(p, 10);
  const int inkWith = probe::Count(with, probe::NearTo(qRgb(0, 0, 0), 60), QRect(60, 0, 80, 20));
  EXPECT_GT(inkWith, 10) << "the value text shows in the middle";
  with.save(PictureFolder() + QStringLiteral("/progress-text.png"));
  p.OnDrawValue = [](TObject*, const QString&, QString& text) { text.clear(); };
  const QImage without = Paint(p, 10);
  EXPECT_EQ(probe::Count(without, probe::NearTo(qRgb(0, 0, 0), 60), QRect(60, 0, 80, 20)), 0);
}

}  // namespace
