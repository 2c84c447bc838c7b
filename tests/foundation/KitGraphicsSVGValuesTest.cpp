// Attribute values of the SVG engine: lengths, angles, transforms, colours,
// font families and the declarations applied to an element.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "foundation/KitGraphicsSVGEngine.h"

namespace {
constexpr double Pi = std::numbers::pi;

void ExpectPoint(const TKitGraphicsMatrix& m, TPointF in, TPointF out, const char* what) {
  const TPointF p = in * m;
  EXPECT_NEAR(p.X, out.X, 1e-4) << what;
  EXPECT_NEAR(p.Y, out.Y, 1e-4) << what;
}
}  // namespace

TEST(KitSVGValues, LengthsWithTheirUnits) {
  const struct {
    const char* Text;
    float Value;
  } cases[] = {{"12pt", 15},   {"2in", 50.8f}, {"50%", 50},  {"3em", 3},     {"3ex", 3},     {"10", 10},
               {"10px", 10},   {"1pc", 15},    {"1mm", 10},  {"1cm", 100},   {" 7 ", 7},     {"-2.5", -2.5f},
               {"1e2", 100},   {"", 0},        {"abc", 0},   {"12qq", 0},    {"1e999", 0},   {"inf", 0},
               {"nan", 0},     {"+4", 4},      {".5", 0.5f}, {"px", 0}};
  for (const auto& c : cases)
    EXPECT_FLOAT_EQ(TKitGraphicsSVGImport::ParseLength(QString::fromLatin1(c.Text)), c.Value) << c.Text;
}

TEST(KitSVGValues, AnglesInRadians) {
  const struct {
    const char* Text;
    double Value;
  } cases[] = {{"45deg", Pi / 4}, {"50grad", Pi / 4}, {"1rad", 1}, {"90", Pi / 2}, {"-180", -Pi}, {"x", 0},
               {"1e999deg", 0}};
  for (const auto& c : cases)
    EXPECT_NEAR(TKitGraphicsSVGImport::ParseAngle(QString::fromLatin1(c.Text)), c.Value, 1e-6) << c.Text;
}

TEST(KitSVGValues, TransformListsComposeInSvgOrder) {
  using I = TKitGraphicsSVGImport;
  EXPECT_TRUE(MatrixIsEmpty(I::ParseTransform(QString(), false))) << "absent attribute";
  EXPECT_EQ(I::ParseTransform(QStringLiteral(""), true), MatrixIdentity());
  ExpectPoint(I::ParseTransform(QStringLiteral("translate(10,0) scale(2)")), {1, 0}, {12, 0}, "scale acts first");
  ExpectPoint(I::ParseTransform(QStringLiteral("scale(2) translate(10,0)")), {1, 0}, {22, 0}, "translate acts first");
  ExpectPoint(I::ParseTransform(QStringLiteral("translate(10)")), {1, 1}, {11, 1}, "missing y is 0");
  ExpectPoint(I::ParseTransform(QStringLiteral("translate( 10 , 20 )")), {0, 0}, {10, 20}, "blanks and commas");
  ExpectPoint(I::ParseTransform(QStringLiteral("scale(2)")), {1, 1}, {2, 2}, "one factor for both");
  ExpectPoint(I::ParseTransform(QStringLiteral("scale(2 3)")), {1, 1}, {2, 3}, "two factors");
  ExpectPoint(I::ParseTransform(QStringLiteral("rotate(90)")), {1, 0}, {0, 1}, "about the origin");
  ExpectPoint(I::ParseTransform(QStringLiteral("translate(5,5) rotate(90)")), {1, 0}, {5, 6},
              "one-argument rotate after a translate still turns about the origin");
  ExpectPoint(I::ParseTransform(QStringLiteral("rotate(90 5 5)")), {5, 5}, {5, 5}, "centre stays");
  ExpectPoint(I::ParseTransform(QStringLiteral("rotate(90 5 5)")), {6, 5}, {5, 6}, "about the centre");
  ExpectPoint(I::ParseTransform(QStringLiteral("rotate(45deg)")), {1, 0}, {float(std::sqrt(0.5)), float(std::sqrt(0.5))},
              "degrees with unit");
  ExpectPoint(I::ParseTransform(QStringLiteral("rotate(50grad)")), {1, 0},
              {float(std::sqrt(0.5)), float(std::sqrt(0.5))}, "gradians");
  ExpectPoint(I::ParseTransform(QStringLiteral("rotate(1rad)")), {1, 0}, {float(std::cos(1.0)), float(std::sin(1.0))},
              "radians");
  ExpectPoint(I::ParseTransform(QStringLiteral("matrix(1 2 3 4 5 6)")), {1, 1}, {9, 12}, "matrix");
  ExpectPoint(I::ParseTransform(QStringLiteral("matrix(1,2,3,4,5)")), {1, 1}, {1, 1}, "five numbers: identity");
  ExpectPoint(I::ParseTransform(QStringLiteral("wobble(3) translate(1,1)")), {0, 0}, {1, 1}, "unknown ignored");
  ExpectPoint(I::ParseTransform(QStringLiteral("translate(1e999,2)")), {0, 0}, {0, 2}, "non-finite reads as 0");
  const TKitGraphicsMatrix skewX = I::ParseTransform(QStringLiteral("skewX(45)"));
  EXPECT_NEAR(skewX.m21, 1, 1e-6);
  EXPECT_NEAR(skewX.m12, 0, 1e-6);
  const TKitGraphicsMatrix skewY = I::ParseTransform(QStringLiteral("skewY(45)"));
  EXPECT_NEAR(skewY.m12, 1, 1e-6);
  EXPECT_EQ(I::ParseTransform(QStringLiteral("skewX(1 2)")), MatrixIdentity()) << "two angles: identity";
  const TKitGraphicsMatrix skew90 = I::ParseTransform(QStringLiteral("skewX(90)"));
  EXPECT_TRUE(std::isfinite(skew90.m21));
}

TEST(KitSVGValues, RgbColours) {
  const struct {
    const char* Text;
    TColor Color;
    int Alpha;
  } cases[] = {
      {"rgb(255,0,0)", 0x0000FF, 255},      {"rgb( 0 , 128 , 255 )", 0xFF8000, 255},
      {"rgb(100%,0%,50%)", 0x8000FF, 255},  {"rgb(300,0,0)", 0x0000FF, 255},
      {"rgb(ff,0,0)", 0x0000FF, 255},        {"rgb(#10,0,0)", 0x000010, 255},
      {"rgba(1,2,3,0)", 0x030201, 0},        {"rgba(1,2,3,0.5)", 0x030201, -1},
      {"rgba(1,2,3,128)", 0x030201, 128},    {"rgb(1,2)", -1, 255},
      {"rgb(a b,0,0)", -1, 255},             {"rgb(1,2,3", -1, -1},
      {"hsl(0,0%,0%)", -1, -1},              {"rgb(200%,0,0)", 0x0000FF, 255},
      // Fractions, as drawing programs write them.
      {"rgb(18.039216%,20.392157%,21.176471%)", 0x36342E, 255},
      {"rgb(12.6,0.4,1.5)", 0x02000D, 255},    {"rgb(1..5,0,0)", -1, 255},
  };
  for (const auto& c : cases) {
    int alpha = 7;
    EXPECT_EQ(TKitGraphicsSVGImport::ParseRGBColor(QString::fromLatin1(c.Text), alpha), c.Color) << c.Text;
    EXPECT_EQ(alpha, c.Alpha) << c.Text;
  }
}

TEST(KitSVGValues, FontFamilies) {
  const struct {
    const char* Text;
    const char* Family;
    bool Bold, Italic;
  } cases[] = {{"Arial-BoldMT", "Arial", true, false},
               {"Helvetica-BoldItalic", "Helvetica", true, true},
               {"Times New Roman, Arial", "Arial", false, false},
               {"Cantarell", "Cantarell", false, false}};
  for (const auto& c : cases) {
    QString family;
    TFontStyles styles;
    TKitGraphicsSVGImport::ParseFontFamily(QString::fromLatin1(c.Text), family, styles);
    EXPECT_EQ(family, QString::fromLatin1(c.Family)) << c.Text;
    EXPECT_EQ(styles.Contains(fsBold), c.Bold) << c.Text;
    EXPECT_EQ(styles.Contains(fsItalic), c.Italic) << c.Text;
  }
}

TEST(KitSVGValues, DeclarationsSetTheElementsFields) {
  TKitGraphicsSVGImport doc;
  auto apply = [&](const char* text) {
    auto e = std::make_unique<TKitGraphicsSVGElement>();
    doc.ParseStyle(e.get(), QString::fromLatin1(text));
    return e;
  };
  auto e = apply("fill: none");
  EXPECT_EQ(e->FillColor(), -1);
  EXPECT_EQ(e->FillColorValue(), QStringLiteral("none"));
  EXPECT_FALSE(e->HasFillColor());
  e = apply("fill:transparent");
  EXPECT_EQ(e->FillColor(), -1);
  e = apply("fill:#f00");
  EXPECT_EQ(e->FillColor(), 0x0000FF);
  EXPECT_TRUE(e->HasFillColor());
  e = apply("fill:#2e3436");
  EXPECT_EQ(e->FillColor(), 0x36342E);
  e = apply("fill:#12");  // not a colour: no paint, and no error
  EXPECT_EQ(e->FillColor(), -1);
  e = apply("fill:red;stroke:blue");
  EXPECT_EQ(e->FillColor(), 0x0000FF);
  EXPECT_EQ(e->StrokeColor(), 0xFF0000);
  e = apply("fill:rgba(0,0,0,0)");
  EXPECT_EQ(e->FillColorValue(), QStringLiteral("none")) << "alpha 0 is no paint";
  e = apply("fill:rgb(0,255,0)");
  EXPECT_EQ(e->FillColor(), 0x00FF00);
  e = apply("fill:url(#g1)");
  EXPECT_EQ(e->URLRefID(), QStringLiteral("g1"));
  e = apply("stroke:url('#g2')");
  EXPECT_EQ(e->URLRefID(), QStringLiteral("g2"));
  e = apply("fill:nosuchcolour");
  EXPECT_EQ(e->FillColor(), 0) << "unknown names are black";
  e = apply("stroke-width:3");
  EXPECT_FLOAT_EQ(e->StrokeWidth(), 3);
  EXPECT_TRUE(e->HasStrokeWidth());
  e = apply("stroke-width:2px");
  EXPECT_FLOAT_EQ(e->StrokeWidth(), 1) << "a unit fails the plain number and keeps the old width";
  EXPECT_EQ(e->StrokeWidthValue(), QStringLiteral("2px"));
  e = apply("display:None");
  EXPECT_EQ(e->DisplayValue(), QStringLiteral("none"));
  e = apply("opacity:.5");
  EXPECT_FLOAT_EQ(e->Opacity(), 0.5f);
  e = apply("offset:50%;stop-opacity:0.25;stop-color:#00ff00");
  EXPECT_FLOAT_EQ(e->Offset(), 0.5f);
  EXPECT_FLOAT_EQ(e->StopOpacity(), 0.25f);
  EXPECT_EQ(e->StopColor(), 0x00FF00);
  e = apply("stop-color:none");
  EXPECT_EQ(e->StopColor(), -1);
  e = apply("xlink:href:#base");
  EXPECT_EQ(e->HRefID(), QStringLiteral("base"));
  e = apply("clip-path:url(#clip)");
  EXPECT_EQ(e->ClipPathRefID(), QStringLiteral("clip"));
  e = apply("id:a1;font-size:12pt;font-family:Arial-BoldMT;preserveAspectRatio:none");
  EXPECT_EQ(e->ID(), QStringLiteral("a1"));
  EXPECT_FLOAT_EQ(e->FontSize(), 15);
  EXPECT_EQ(e->FontFamily(), QStringLiteral("Arial"));
  EXPECT_TRUE(e->FontStyle().Contains(fsBold));
  EXPECT_EQ(e->PreserveAspectRatio(), parNone);
  e = apply("font-style:italic");
  EXPECT_TRUE(e->FontStyle().Contains(fsItalic));
  e = apply("wobble:3;no colon here;;fill:blue");
  EXPECT_EQ(e->FillColor(), 0xFF0000) << "unknown names and pieces without a colon are ignored";
  e = apply("fill:red;fill:blue");
  EXPECT_EQ(e->FillColor(), 0xFF0000) << "the later declaration wins";

  auto classed = apply("class:warning");
  EXPECT_EQ(classed->ClassRefID(), QStringLiteral("warning"));
  doc.ParseStyle(classed.get(), QStringLiteral("class:warning"));
  EXPECT_EQ(doc.ElementClassList().size(), 1u) << "registered once";
}
