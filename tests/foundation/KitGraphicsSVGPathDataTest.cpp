// Path data and point lists of the SVG engine: tokens and repeat rules,
// every command in its absolute and relative form, arcs, point lists and
// the errors of truncated data.
#include <gtest/gtest.h>

#include <cmath>

#include "foundation/KitGraphicsSVGEngine.h"

namespace {

QStringList Tokens(const char* d) {
  QStringList texts;
  TKitGraphicsSVGImport::SplitPathData(QString::fromLatin1(d), &texts);
  return texts;
}

// The element's sub-paths as "M x,y L x,y C x,y x,y x,y Z" text, one
// string per sub-path, coordinates rounded to 3 decimals.
QStringList Describe(TKitGraphicsSVGElement& e) {
  QStringList result;
  if (!e.HasPaths()) return result;
  for (const auto& path : e.Paths()) {
    QStringList parts;
    for (const TKitGraphicsPathPoint& p : path->PathData()) {
      const QString xy = QStringLiteral("%1,%2").arg(std::round(p.Point.X * 1000) / 1000).arg(
          std::round(p.Point.Y * 1000) / 1000);
      switch (p.Kind) {
        case gppMoveTo: parts << QStringLiteral("M") + xy; break;
        case gppLineTo: parts << QStringLiteral("L") + xy; break;
        case gppCurveTo: parts << QStringLiteral("C") + xy; break;
        case gppClose: parts << QStringLiteral("Z"); break;
      }
    }
    result << parts.join(u' ');
  }
  return result;
}

QStringList Parse(const char* d) {
  TKitGraphicsSVGImport doc;
  TKitGraphicsSVGElement e;
  doc.ParsePathData(&e, QString::fromLatin1(d));
  return Describe(e);
}

}  // namespace

TEST(KitSVGPathData, TokensAndRepeatRules) {
  const struct {
    const char* Data;
    QStringList Tokens;
  } cases[] = {
      {"M 10 10 20 20 30 30", {"M", "10", "10", "L", "20", "20", "L", "30", "30"}},
      {"m 1 2 3 4", {"m", "1", "2", "l", "3", "4"}},
      {"M1.5.5", {"M", "1.5", ".5"}},
      {"M-1-2", {"M", "-1", "-2"}},
      {"M10px 5", {"M", "10", "5"}},
      {"M1e-5,2", {"M", "1e-5", "2"}},
      {"M1e5e3 2", {"M", "1e5", "e3", "2"}},
      {"M0,0L1,1z 5 5", {"M", "0", "0", "L", "1", "1", "z"}},
      {"H 1 2 3", {"H", "1", "H", "2", "H", "3"}},
      {"M 0 0 1", {"M", "0", "0", "1"}},  // n mod 2 = 1: no repeat
      {"C1 2 3 4 5 6 7 8 9 10 11 12", {"C", "1", "2", "3", "4", "5", "6", "C", "7", "8", "9", "10", "11", "12"}},
      {"C1 2 3 4 5 6 7 8", {"C", "1", "2", "3", "4", "5", "6", "7", "8"}},  // no complete second group
      {"a1 1 0 0 1 2 2 1 1 0 0 1 4 4", {"a", "1", "1", "0", "0", "1", "2", "2", "a", "1", "1", "0", "0", "1", "4", "4"}},
      {"  M0 0", {"M", "0", "0"}},
      // Arc flags are one character each, written without separators.
      {"a7 7 0 100 14", {"a", "7", "7", "0", "1", "0", "0", "14"}},
      {"A7,7,0,1,1,2,2 1 1 0 01 3 3", {"A", "7", "7", "0", "1", "1", "2", "2", "A", "1", "1", "0", "0", "1", "3", "3"}},
      {"10 20 M0 0", {"M", "0", "0"}},  // numbers before the first command belong to none
  };
  for (const auto& c : cases) EXPECT_EQ(Tokens(c.Data), c.Tokens) << c.Data;
}

TEST(KitSVGPathData, EveryCommandAbsoluteAndRelative) {
  // Each pair starts from (10, 10) and must give the same figure.
  const struct {
    const char* Absolute;
    const char* Relative;
    const char* Expected;
  } cases[] = {
      {"M10 10 L20 15", "M10 10 l10 5", "M10,10 L20,15"},
      {"M10 10 H25", "M10 10 h15", "M10,10 L25,10"},
      {"M10 10 V4", "M10 10 v-6", "M10,10 L10,4"},
      {"M10 10 C12 10 20 18 20 20", "M10 10 c2 0 10 8 10 10", "M10,10 C12,10 C20,18 C20,20"},
      {"M10 10 C10 0 20 0 20 10 S30 20 30 10", "M10 10 c0 -10 10 -10 10 0 s10 10 10 0",
       "M10,10 C10,0 C20,0 C20,10 C20,20 C30,20 C30,10"},
      {"M10 10 Q16 4 22 10", "M10 10 q6 -6 12 0", "M10,10 C14,6 C18,6 C22,10"},
      {"M10 10 Q16 4 22 10 T34 10", "M10 10 q6 -6 12 0 t12 0", "M10,10 C14,6 C18,6 C22,10 C26,14 C30,14 C34,10"},
      {"M10 10 S20 0 30 10", "M10 10 s10 -10 20 0", "M10,10 C10,10 C20,0 C30,10"},  // no curve before: current point
      {"M10 10 T30 10", "M10 10 t20 0", "M10,10 C10,10 C16.667,10 C30,10"},
      {"M10 10 L20 10 L20 20 Z", "M10 10 l10 0 l0 10 z", "M10,10 L20,10 L20,20 Z"},
      {"M10 10 M20 20", "M10 10 m10 10", "M10,10|M20,20"},
  };
  for (const auto& c : cases) {
    const QString expected = QString::fromLatin1(c.Expected);
    EXPECT_EQ(Parse(c.Absolute).join(u'|'), expected) << c.Absolute;
    EXPECT_EQ(Parse(c.Relative).join(u'|'), expected) << c.Relative;
  }
}

TEST(KitSVGPathData, SubPathsAndReflections) {
  EXPECT_EQ(Parse("M 0 0 L 10 0 Z M 20 0 L 30 0").size(), 2);
  EXPECT_EQ(Parse("M 10 10 20 20 30 30"), QStringList{"M10,10 L20,20 L30,30"});
  // The second curve's first control point mirrors (20, 10) through (20, 20).
  const QStringList s = Parse("M 0,0 C 10,0 20,10 20,20 S 30,40 40,40");
  ASSERT_EQ(s.size(), 1);
  EXPECT_TRUE(s[0].contains(QStringLiteral("C20,20 C20,30 C30,40 C40,40"))) << s[0].toStdString();
  // After Z the current point is the subpath's start: a command other
  // than a moveto starts a new subpath there, and a relative moveto is
  // counted from it.
  const struct {
    const char* Data;
    QStringList Expected;
  } closes[] = {
      {"M5 5 L10 5 z l1 1", {"M5,5 L10,5 Z", "M5,5 L6,6"}},
      {"M5 5 L10 5 L10 9 Z m1 1 l1 0", {"M5,5 L10,5 L10,9 Z", "M6,6 L7,6"}},
      {"M5 5 h5 v4 z h1", {"M5,5 L10,5 L10,9 Z", "M5,5 L6,5"}},
      {"m5 5 h5 v4 z z", {"M5,5 L10,5 L10,9 Z Z"}},
  };
  for (const auto& c : closes) EXPECT_EQ(Parse(c.Data), c.Expected) << c.Data;
  // S reflects only after C or S, T only after Q or T; otherwise the first
  // control point is the current point.
  const struct {
    const char* Data;
    const char* Contains;
  } reflections[] = {
      {"M0 0 C10 0 20 10 20 20 S30 40 40 40", "C20,20 C20,30"},
      {"M0 0 C10 0 20 10 20 20 s10 20 20 20", "C20,20 C20,30"},
      {"M0 0 Q10 0 20 20 S30 40 40 40", "C20,20 C20,20"},
      {"M0 0 L20 20 S30 40 40 40", "L20,20 C20,20"},
      {"M0 0 Q10 0 20 20 T40 40", "C20,20 C26.667,33.333"},
      {"M0 0 C10 0 20 10 20 20 T40 40", "C20,20 C20,20 C26.667,26.667"},
      {"M0 0 L20 20 T40 40", "L20,20 C20,20 C26.667,26.667"},
  };
  for (const auto& c : reflections) {
    const QStringList p = Parse(c.Data);
    ASSERT_EQ(p.size(), 1) << c.Data;
    EXPECT_TRUE(p[0].contains(QLatin1String(c.Contains))) << c.Data << ": " << p[0].toStdString();
  }
  // Commands before any moveto only move the current point.
  EXPECT_EQ(Parse("L 3 3 m 1 1 l 1 0"), QStringList{"M4,4 L5,4"});
}

TEST(KitSVGPathData, Arcs) {
  // Half circle around (10, 0) through (10, -10).
  TKitGraphicsPath half;
  TKitGraphicsSVGImport::ArcToBeziers(&half, 0, 20, 0, 0, 10, 10, 0, 0, 1);
  ASSERT_GT(half.Count(), 0);
  // Segment ends (every third curve point) and joins lie on the circle.
  int run = 0;
  for (const TKitGraphicsPathPoint& p : half.PathData()) {
    run = p.Kind == gppCurveTo ? run + 1 : 0;
    if (p.Kind != gppCurveTo || run % 3 == 0) {
      EXPECT_NEAR(std::hypot(p.Point.X - 10, p.Point.Y), 10, 1e-3);
    }
  }
  TKitGraphicsPathPolygon polygon;
  half.FlattenToPolygon(polygon, 0.1f);
  float top = 0;
  for (const TPointF& p : polygon) top = std::min(top, p.Y);
  EXPECT_NEAR(top, -10, 0.05) << "sweep 1 goes through the top";
  EXPECT_NEAR(half.LastPoint().X, 20, 1e-4);

  TKitGraphicsPath other;
  TKitGraphicsSVGImport::ArcToBeziers(&other, 0, 20, 0, 0, 10, 10, 0, 0, 0);
  other.FlattenToPolygon(polygon, 0.1f);
  float bottom = 0;
  for (const TPointF& p : polygon) bottom = std::max(bottom, p.Y);
  EXPECT_NEAR(bottom, 10, 0.05) << "sweep 0 goes through the bottom";

  // Radii too small grow to fit: still a half circle.
  TKitGraphicsPath small;
  TKitGraphicsSVGImport::ArcToBeziers(&small, 0, 20, 0, 0, 1, 1, 0, 0, 1);
  EXPECT_NEAR(small.LastPoint().X, 20, 1e-3);

  EXPECT_EQ(Parse("M0 0 A0 10 0 0 1 20 0"), QStringList{"M0,0 L0,0 L20,0"}) << "zero radius: a line";
  EXPECT_EQ(Parse("M0 0 A10 0 0 0 1 20 0"), QStringList{"M0,0 L0,0 L20,0"});
  EXPECT_EQ(Parse("M0 0 A10 10 0 0 1 0 0"), QStringList{"M0,0"}) << "to the current point: nothing";
  EXPECT_EQ(Parse("M0 0 a-10 -10 0 0 1 20 0"), Parse("M0 0 A10 10 0 0 1 20 0")) << "negative radii, relative";
  // A large arc of three quarters is cut into three segments.
  const QStringList large = Parse("M10 0 A10 10 0 1 1 0 -10");
  ASSERT_EQ(large.size(), 1);
  EXPECT_EQ(large[0].count(u'C'), 9);
  // Numbers beyond single precision never reach the arc as infinities.
  EXPECT_NO_THROW(Parse("M0 0 A1e38 1e38 0 0 1 1e37 1e37"));
  TKitGraphicsPath huge;
  TKitGraphicsSVGImport::ArcToBeziers(&huge, 0, 1e300, 0, 0, 1e-300, 1e300, 1e300, 1, 1);
  for (const TKitGraphicsPathPoint& p : huge.PathData()) {
    EXPECT_TRUE(std::isfinite(p.Point.X) || std::isinf(p.Point.X));
  }
  EXPECT_NEAR(TKitGraphicsSVGImport::VectorAngle(1, 0, 0, 1), M_PI / 2, 1e-9);
  EXPECT_NEAR(TKitGraphicsSVGImport::VectorAngle(0, 1, 1, 0), 3 * M_PI / 2, 1e-9);
}

TEST(KitSVGPathData, AnErrorEndsThePathThere) {
  // What comes before the command in error is drawn; nothing after it.
  const struct {
    const char* Data;
    QStringList Expected;
  } cases[] = {
      {"M 0", {}},
      {"M 0 0 L 5", {"M0,0"}},
      {"M0 0 L1 1 C1 2 3", {"M0,0 L1,1"}},
      {"M0 0 L1 1 A1 1 0 0 1 5", {"M0,0 L1,1"}},
      {"M0 0 H", {"M0,0"}},
      {"M0 0 Q1 1 2", {"M0,0"}},
      {"M0 0 L5 L6 6", {"M0,0"}},
      // Arc flags are 0 or 1.
      {"M0 0 L1 0 A5 5 0 2 1 10 0 L20 20", {"M0,0 L1,0"}},
      {"M0 0 L1 0 A5 5 0 1 -1 10 0", {"M0,0 L1,0"}},
      {"M0 0 L1 0 A5 5 0 0.5 1 10 0", {"M0,0 L1,0"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Parse(c.Data), c.Expected) << c.Data;
  // Flags written without separators still read.
  const QStringList packed = Parse("M0 0 a5 5 0 1010 0");
  ASSERT_EQ(packed.size(), 1);
  EXPECT_TRUE(packed[0].endsWith(QLatin1String("C10,0"))) << packed[0].toStdString();
  // A number that does not read is 0, not an error.
  EXPECT_EQ(Parse("M 1e999 2 L . e"), QStringList{"M0,2 L0,0"});
}

TEST(KitSVGPathData, PointLists) {
  TKitGraphicsSVGImport doc;
  const struct {
    const char* Points;
    bool Close;
    QStringList Expected;
  } cases[] = {
      {"0,0 10,10 20,0", false, {"M0,0 L10,10 L10,10 L20,0"}},
      {"0,0 10,10 20,0", true, {"M0,0 L10,10 L10,10 L20,0 Z"}},
      {"0,0 10,10 20", false, {}},
      {"10-5 3,4", false, {"M10,-5 L3,4"}},
      {"1 2", false, {""}},
      {"", false, {""}},
      {"a,b 1,1", false, {"M0,0 L1,1"}},
  };
  for (const auto& c : cases) {
    TKitGraphicsSVGElement e;
    doc.ParsePoints(&e, QString::fromLatin1(c.Points), c.Close);
    EXPECT_EQ(Describe(e), c.Expected) << c.Points;
  }
}
