#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "foundation/KitGraphicsTypes.h"
#include "tests/support/TestSupport.h"

namespace {
std::vector<TKitGraphicsPathPointKind> Kinds(const TKitGraphicsPath& path) {
  std::vector<TKitGraphicsPathPointKind> kinds;
  for (const TKitGraphicsPathPoint& p : path.PathData()) kinds.push_back(p.Kind);
  return kinds;
}

void ExpectNear(const TPointF& a, const TPointF& b, float tolerance = 1e-4f) {
  EXPECT_NEAR(a.X, b.X, tolerance);
  EXPECT_NEAR(a.Y, b.Y, tolerance);
}
}  // namespace

TEST(KitGraphicsPathTest, BuildingOperations) {
  TKitGraphicsPath path;
  EXPECT_EQ(path.LastPoint(), TPointF());
  path.MoveTo({1, 1});
  path.LineTo({5, 1});
  EXPECT_FALSE(path.IsClippable());
  path.LineTo({1, 1});
  EXPECT_TRUE(path.IsClippable()) << "back at the figure start";
  path.ClosePath();
  EXPECT_EQ(path.GetPoint(3).Kind, gppClose);
  EXPECT_EQ(path.GetPoint(3).Point, TPointF(1, 1));
  EXPECT_THROW(path.GetPoint(4), EArgumentOutOfRangeException);
  EXPECT_THROW(path.GetPoint(-1), EArgumentOutOfRangeException);

  TKitGraphicsPath quad;
  quad.MoveTo({0, 0});
  quad.QuadCurveTo({3, 6}, {6, 0});
  ASSERT_EQ(quad.Count(), 4);
  ExpectNear(quad.GetPoint(1).Point, {2, 4});
  ExpectNear(quad.GetPoint(2).Point, {4, 4});
  ExpectNear(quad.GetPoint(3).Point, {6, 0});

  TKitGraphicsPath smooth;
  smooth.MoveTo({0, 0});
  smooth.SmoothCurveTo({2, 2}, {4, 0});  // fewer than three points: the control point itself
  EXPECT_EQ(smooth.GetPoint(1).Point, TPointF(2, 2));
  smooth.SmoothCurveTo({6, -2}, {8, 0});  // mirror of (2, 2) through (4, 0)
  EXPECT_EQ(smooth.GetPoint(4).Point, TPointF(6, -2));

  TKitGraphicsPath lines;
  lines.AddLine({0, 0}, {1, 1});
  lines.AddLine({2, 2}, {3, 3});
  EXPECT_EQ(Kinds(lines), (std::vector<TKitGraphicsPathPointKind>{gppMoveTo, gppLineTo, gppLineTo, gppLineTo}));
  lines.AddPolygon({{4, 4}, {5, 5}});
  EXPECT_EQ(lines.Count(), 6);
  lines.AddPath(lines);
  EXPECT_EQ(lines.Count(), 12);
  EXPECT_EQ(lines.GetPoint(6), lines.GetPoint(0));
  lines.Clear();
  EXPECT_EQ(lines.Count(), 0);

  TKitGraphicsPath copy;
  copy.Assign(&quad);
  EXPECT_EQ(copy.PathData(), quad.PathData());
  TKitGraphicsStroke stroke;
  EXPECT_THROW(copy.Assign(&stroke), EConvertError);
}

TEST(KitGraphicsPathTest, Shapes) {
  TKitGraphicsPath rect;
  rect.AddRectangle({1, 2, 11, 22});
  EXPECT_EQ(Kinds(rect), (std::vector<TKitGraphicsPathPointKind>{gppMoveTo, gppLineTo, gppLineTo, gppLineTo, gppClose}));
  EXPECT_EQ(rect.GetPoint(2).Point, TPointF(11, 22));
  EXPECT_TRUE(rect.IsClippable());
  EXPECT_EQ(rect.GetBounds(), TRectF(1, 2, 11, 22));

  TKitGraphicsPath rounded;
  rounded.AddRectangle({0, 0, 100, 50}, 10, 5);
  // A move, four quarter arcs (a joining line and a curve each), eight
  // lines and the close point.
  EXPECT_EQ(rounded.Count(), 26);
  EXPECT_EQ(rounded.GetPoint(0).Point, TPointF(10, 50));
  const TRectF bounds = rounded.GetBounds();
  EXPECT_NEAR(bounds.Left, 0, 1e-4);
  EXPECT_NEAR(bounds.Top, 0, 1e-4);
  EXPECT_NEAR(bounds.Right, 100, 1e-4);
  EXPECT_NEAR(bounds.Bottom, 50, 1e-4);

  TKitGraphicsPath ellipse;
  ellipse.AddEllipse({0, 0, 20, 10});
  EXPECT_EQ(ellipse.Count(), 13);
  EXPECT_TRUE(ellipse.IsClippable());
  EXPECT_EQ(ellipse.GetPoint(0).Point, TPointF(0, 5));
  EXPECT_EQ(ellipse.GetPoint(3).Point, TPointF(10, 0));
  EXPECT_EQ(ellipse.GetPoint(12).Point, TPointF(0, 5));
  EXPECT_NEAR(ellipse.GetPoint(1).Point.Y, 5 - 0.5522848f * 5, 1e-5);
}

TEST(KitGraphicsPathTest, ArcPieces) {
  struct Case {
    float sweep;
    int points;  // a move and three points per piece
  };
  const Case cases[] = {{0, 0}, {360, 13}, {720, 13}, {100, 7}, {90.5f, 4}, {90, 4}, {-180, 7}, {1e-12f, 0}};
  for (const Case& c : cases) {
    TKitGraphicsPath path;
    path.AddArc({0, 0}, {10, 10}, 0, c.sweep);
    EXPECT_EQ(path.Count(), c.points) << "sweep " << c.sweep;
  }
  TKitGraphicsPath quarter;
  quarter.AddArc({5, 5}, {10, 20}, 0, 90);
  ExpectNear(quarter.GetPoint(0).Point, {15, 5});
  ExpectNear(quarter.LastPoint(), {5, 25});  // towards positive y
  TKitGraphicsPath turned;
  turned.AddArc({0, 0}, {1, 1}, 450, -90);  // 450 degrees is a quarter turn
  ExpectNear(turned.GetPoint(0).Point, {0, 1});
  ExpectNear(turned.LastPoint(), {1, 0});
  TKitGraphicsPath joined;
  joined.MoveTo({-5, -5});
  joined.AddArc({0, 0}, {1, 1}, 0, 45);
  EXPECT_EQ(joined.GetPoint(1).Kind, gppLineTo) << "an arc joins a path that has points";
}

TEST(KitGraphicsPathTest, ApplyMatrixLeavesClosePoints) {
  TKitGraphicsPath path;
  path.AddRectangle({0, 0, 2, 2});
  path.ApplyMatrix(MatrixCreateTranslation(10, 20));
  EXPECT_EQ(path.GetPoint(0).Point, TPointF(10, 20));
  EXPECT_EQ(path.GetPoint(2).Point, TPointF(12, 22));
  EXPECT_EQ(path.GetPoint(4).Point, TPointF(0, 0)) << "close points keep their coordinates";
}

TEST(KitGraphicsPathTest, Bounds) {
  TKitGraphicsPath path;
  EXPECT_EQ(path.GetBounds(), TRectF());
  path.MoveTo({3, 4});
  const TRectF single = path.GetBounds();
  EXPECT_EQ(single.Left, 3);
  EXPECT_EQ(single.Top, 4);
  EXPECT_FLOAT_EQ(single.Right, 3.001f);
  EXPECT_FLOAT_EQ(single.Bottom, 4.001f);
  path.LineTo({-2, 4});
  const TRectF flat = path.GetBounds();
  EXPECT_EQ(flat.Left, -2);
  EXPECT_EQ(flat.Right, 3);
  EXPECT_FLOAT_EQ(flat.Bottom, 4.001f);
}

TEST(KitGraphicsPathTest, Bezier) {
  const TKitGraphicsPathCubicBezier b = {TPointF(0, 0), TPointF(0, 10), TPointF(10, 10), TPointF(10, 0)};
  EXPECT_TRUE(TKitGraphicsPath::CreateBezier(b, 0).empty());
  const TKitGraphicsPathPolygon one = TKitGraphicsPath::CreateBezier(b, 1);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0], TPointF(0, 0));
  const TKitGraphicsPathPolygon five = TKitGraphicsPath::CreateBezier(b, 5);
  ASSERT_EQ(five.size(), 5u);
  ExpectNear(five[0], {0, 0});
  ExpectNear(five[2], {5, 7.5f});
  ExpectNear(five[4], {10, 0});
}

TEST(KitGraphicsPathTest, FlattenTurnsCurvesIntoBoundedLines) {
  // A curve about 20 long: Round(20 / 2) = 10 lines at flatness 2.
  TKitGraphicsPath path;
  path.MoveTo({0, 0});
  path.CurveTo({0, 10}, {10, 10}, {10, 0});
  TKitGraphicsPathPolygon probe = TKitGraphicsPath::CreateBezier(
      {TPointF(0, 0), TPointF(0, 10), TPointF(10, 10), TPointF(10, 0)}, 6);
  double length = 0;
  for (size_t i = 1; i < probe.size(); ++i)
    length += std::hypot(probe[i].X - probe[i - 1].X, probe[i].Y - probe[i - 1].Y);
  struct Case {
    float flatness;
    int lines;
  };
  for (const Case& c : {Case{2, static_cast<int>(Round(length / 2))}, Case{0, static_cast<int>(Round(length / 0.05))},
                        Case{-3, static_cast<int>(Round(length / 0.05))}, Case{1000, 0}}) {
    TKitGraphicsPath copy;
    copy.Assign(&path);
    copy.Flatten(c.flatness);
    const int expected = c.lines > 1 ? c.lines : 1;  // at most one line to the end point otherwise
    EXPECT_EQ(copy.Count(), 1 + expected) << "flatness " << c.flatness;
    for (const TKitGraphicsPathPoint& p : copy.PathData()) EXPECT_NE(p.Kind, gppCurveTo);
    ExpectNear(copy.LastPoint(), {10, 0});
  }

  // A short curve becomes one line, and the next curve starts at its end.
  TKitGraphicsPath twoCurves;
  twoCurves.MoveTo({0, 0});
  twoCurves.CurveTo({0.1f, 0}, {0.2f, 0}, {0.3f, 0});
  twoCurves.CurveTo({0.3f, 10}, {10, 10}, {10, 0.3f});
  twoCurves.ClosePath();
  twoCurves.Flatten(1);
  EXPECT_EQ(twoCurves.GetPoint(1).Kind, gppLineTo);
  EXPECT_EQ(twoCurves.GetPoint(1).Point, TPointF(0.3f, 0));
  ExpectNear(twoCurves.GetPoint(2).Point, {0.3f, 0});  // the second curve's first sample is its start
  EXPECT_EQ(twoCurves.PathData().back().Kind, gppClose);
  EXPECT_TRUE(twoCurves.IsClippable());

  // Huge and broken coordinates do not make huge or endless output.
  TKitGraphicsPath huge;
  huge.MoveTo({0, 0});
  huge.CurveTo({0, 1e30f}, {1e30f, 1e30f}, {1e30f, 0});
  huge.Flatten(0.05f);
  EXPECT_EQ(huge.Count(), 1 + TKitGraphicsPath::MaxCurveSegments);
  TKitGraphicsPath broken;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  broken.MoveTo({0, 0});
  broken.CurveTo({nan, 0}, {0, 0}, {1, 1});
  TKitGraphicsPathPolygon polygon;
  broken.FlattenToPolygon(polygon, 0.25f);
  EXPECT_LE(polygon.size(), 2u);
  TKitGraphicsPath empty;
  empty.Flatten(1);
  EXPECT_EQ(empty.Count(), 0);
  polygon.push_back({1, 1});
  empty.FlattenToPolygon(polygon, 1);
  EXPECT_TRUE(polygon.empty());
}

TEST(KitGraphicsPathTest, FlattenToPolygonKeepsThePath) {
  TKitGraphicsPath path;
  path.AddRectangle({0, 0, 4, 4});
  path.MoveTo({4, 4});  // the same point as the last one: dropped
  path.LineTo({4.0005f, 4});  // within 0.001: dropped
  path.LineTo({8, 8});
  TKitGraphicsPathPolygon polygon;
  path.FlattenToPolygon(polygon, 0.25f);
  const TKitGraphicsPathPolygon expected = {{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}, {4, 4}, {8, 8}};
  EXPECT_EQ(polygon, expected);
  EXPECT_EQ(path.Count(), 8) << "the path is left as it was";
}

TEST(KitGraphicsPathTest, HitTests) {
  TKitGraphicsPath square;
  square.AddRectangle({0, 0, 10, 10});
  struct Case {
    TPointF p;
    bool inside;
  };
  const Case points[] = {{{5, 5}, true}, {{-1, 5}, false}, {{11, 5}, false}, {{5, 10.5f}, false},
                         {{0, 5}, true},    // left edge: inside by the even-odd rule
                         {{10, 5}, false},  // right edge: in the box, outside by the rule
                         {{10, 10}, false}};
  for (const Case& c : points)
    EXPECT_EQ(square.IsPointVisible(c.p), c.inside) << c.p.X << "," << c.p.Y;

  TKitGraphicsPath ring;
  ring.AddRectangle({0, 0, 10, 10});
  ring.AddRectangle({3, 3, 7, 7});
  EXPECT_FALSE(ring.IsPointVisible({5, 5})) << "the hole of the even-odd rule";
  EXPECT_TRUE(ring.IsPointVisible({1, 5}));

  TKitGraphicsPath circle;
  circle.AddEllipse({0, 0, 10, 10});
  EXPECT_TRUE(circle.IsPointVisible({5, 5}));
  EXPECT_FALSE(circle.IsPointVisible({0.5f, 0.5f}));

  EXPECT_TRUE(square.IsRectVisible({-1, -1, 1, 1}));
  EXPECT_FALSE(square.IsRectVisible({2, 2, 8, 8})) << "only the outline's points count";
  EXPECT_FALSE(square.IsRectVisible({-1, -1, 0, 0})) << "right and bottom edges are outside";
  EXPECT_FALSE(PolygonContainsPoint({0, 0}, {}));
  EXPECT_FALSE(AnyPointInRect({}, {0, 0, 10, 10}));
}
