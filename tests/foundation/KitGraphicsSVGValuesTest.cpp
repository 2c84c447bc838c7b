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
  } cases[] = {// CSS units at 96 pixels to the inch.
               {"12pt", 16},
               {"2in", 192},
               {"50%", 50},
               {"3em", 3},
               {"3ex", 3},
               {"10", 10},
               {"10px", 10},
               {"1pc", 16},
               {"25.4mm", 96},
               {"2.54cm", 96},
               {"1mm", float(96 / 25.4)},
               {"1cm", float(96 / 2.54)},
               {"72pt", 96},
               {"6pc", 96},
               {"0.5in", 48},
               {"-1in", -96},
               {" 7 ", 7},
               {"-2.5", -2.5f},
               {"1e2", 100},
               {"", 0},
               {"abc", 0},
               {"12qq", 0},
               {"1e999", 0},
               {"inf", 0},
               {"nan", 0},
               {"+4", 4},
               {".5", 0.5f},
               {"px", 0}};
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
  ExpectPoint(I::ParseTransform(QStringLiteral("translate(-384.57-515.8)")), {0, 0}, {-384.57f, -515.8f},
              "a sign starts the next number");
  ExpectPoint(I::ParseTransform(QStringLiteral("matrix(.5 0 0-.5 1e1-2)")), {2, 2}, {11, -3},
              "packed numbers, an exponent");
  ExpectPoint(I::ParseTransform(QStringLiteral("translate(.5.5)")), {0, 0}, {0.5f, 0.5f}, "a second point");
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
      {"rgb(255,0,0)", 0x0000FF, 255},
      {"rgb( 0 , 128 , 255 )", 0xFF8000, 255},
      {"rgb(100%,0%,50%)", 0x8000FF, 255},
      {"rgb(300,0,0)", 0x0000FF, 255},
      {"rgb(ff,0,0)", 0x0000FF, 255},
      {"rgb(#10,0,0)", 0x000010, 255},
      // Alpha as CSS reads it: a number 0..1 (clamped) or a percentage.
      {"rgba(1,2,3,0)", 0x030201, 0},
      {"rgba(1,2,3,0.5)", 0x030201, 128},
      {"rgba(1,2,3,128)", 0x030201, 255},
      {"rgba(1,2,3,25%)", 0x030201, 64},
      {"rgba(1,2,3,.2)", 0x030201, 51},
      {"rgba(1,2,3,x)", 0x030201, -1},
      {"rgb(1,2)", -1, 255},
      {"rgb(a b,0,0)", -1, 255},
      {"rgb(1,2,3", -1, -1},
      {"rgb(200%,0,0)", 0x0000FF, 255},
      // Any case, blanks instead of commas, alpha after "/".
      {"RGB(255,0,0)", 0x0000FF, 255},
      {"Rgba(0,0,255,1)", 0xFF0000, 255},
      {"rgb(255 128 0)", 0x0080FF, 255},
      {"rgb(255 128 0 / 50%)", 0x0080FF, 128},
      // hsl and hsla.
      {"hsl(0,0%,0%)", 0x000000, 255},
      {"hsl(0,100%,50%)", 0x0000FF, 255},
      {"hsl(120,100%,50%)", 0x00FF00, 255},
      {"HSL(240, 100%, 50%)", 0xFF0000, 255},
      {"hsl(60,100%,25%)", 0x008080, 255},
      {"hsla(0,100%,50%,0.25)", 0x0000FF, 64},
      {"hsl(360,100%,50%)", 0x0000FF, 255},
      {"hsl(-120,100%,50%)", 0xFF0000, 255},
      {"hsl(0.5turn,100%,50%)", 0xFFFF00, 255},
      {"hsl(0,100,50)", -1, 255},
      // Fractions, as drawing programs write them.
      {"rgb(18.039216%,20.392157%,21.176471%)", 0x36342E, 255},
      {"rgb(12.6,0.4,1.5)", 0x02000D, 255},
      {"rgb(1..5,0,0)", -1, 255},
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
  EXPECT_EQ(e->StrokeURLRefID(), QStringLiteral("g2")) << "the stroke keeps its own reference";
  EXPECT_TRUE(e->URLRefID().isEmpty());
  e = apply("fill:url(#g1);stroke:url(#g2)");
  EXPECT_EQ(e->URLRefID(), QStringLiteral("g1"));
  EXPECT_EQ(e->StrokeURLRefID(), QStringLiteral("g2"));
  e = apply("fill:url(#nosuch) #00ff00");
  EXPECT_EQ(e->FillColor(), 0x00FF00) << "the fallback colour";
  e = apply("fill:nosuchcolour");
  EXPECT_EQ(e->FillColor(), 0) << "unknown names are black";
  e = apply("stroke-width:3");
  EXPECT_FLOAT_EQ(e->StrokeWidth(), 3);
  EXPECT_TRUE(e->HasStrokeWidth());
  e = apply("stroke-width:2px");
  EXPECT_FLOAT_EQ(e->StrokeWidth(), 2) << "a length with its unit";
  EXPECT_EQ(e->StrokeWidthValue(), QStringLiteral("2px"));
  e = apply("stroke-width:1mm");
  EXPECT_NEAR(e->StrokeWidth(), 96 / 25.4, 1e-4);
  e = apply("stroke-width:0");
  EXPECT_FLOAT_EQ(e->StrokeWidth(), 0);
  EXPECT_TRUE(e->HasStrokeWidth());
  e = apply("stroke-width:-3");
  EXPECT_FALSE(e->HasStrokeWidth()) << "a negative width is not read";
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
  EXPECT_FLOAT_EQ(e->FontSize(), 16) << "12pt";
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

TEST(KitSVGValues, ColoursInEveryForm) {
  const struct {
    const char* Text;
    TColor Color;
    float Alpha;
  } cases[] = {
      {"#f00", 0x0000FF, 1},
      {"#F00", 0x0000FF, 1},
      {"#f008", 0x0000FF, 0x88 / 255.0f},
      {"#ff0000", 0x0000FF, 1},
      {"#2e3436", 0x36342E, 1},
      {"#ff000080", 0x0000FF, 0x80 / 255.0f},
      {"#12", -1, 1},
      {"#12345", -1, 1},
      {"#ggg", -1, 1},
      {"red", 0x0000FF, 1},
      {"Red", 0x0000FF, 1},
      {"cornflowerblue", 0xED9564, 1},
      {"rgb(0,128,255)", 0xFF8000, 1},
      {"RGB(0,128,255)", 0xFF8000, 1},
      {"rgba(0,0,0,0.5)", 0, 128 / 255.0f},
      {"hsl(240,100%,50%)", 0xFF0000, 1},
      {"hsla(240,100%,50%,.5)", 0xFF0000, 128 / 255.0f},
  };
  for (const auto& c : cases) {
    float alpha = -1;
    EXPECT_EQ(TKitGraphicsSVGImport::ParseColor(QString::fromLatin1(c.Text), alpha), c.Color) << c.Text;
    if (c.Color != -1) EXPECT_NEAR(alpha, c.Alpha, 1e-4) << c.Text;
  }
}

TEST(KitSVGValues, PaintDeclarations) {
  TKitGraphicsSVGImport doc;
  const struct {
    const char* Text;
    const char* FillValue;
    TColor Fill;
    float FillAlpha;
  } cases[] = {
      {"fill:currentColor", "currentColor", -1, 1},
      {"fill:CurrentColor", "currentColor", -1, 1},
      {"fill:inherit", "default", -1, 1},
      {"fill:#0f08", "#0f08", 0x00FF00, 0x88 / 255.0f},
      {"fill:#00ff0080", "#00ff0080", 0x00FF00, 0x80 / 255.0f},
      {"fill:rgba(0,255,0,.5)", "rgba(0,255,0,.5)", 0x00FF00, 128 / 255.0f},
      {"fill:hsl(120,100%,50%)", "hsl(120,100%,50%)", 0x00FF00, 1},
      {"fill:RGB(0,255,0)", "RGB(0,255,0)", 0x00FF00, 1},
      {"fill:hsla(120,100%,50%,0)", "none", -1, 1},
  };
  for (const auto& c : cases) {
    TKitGraphicsSVGElement e;
    doc.ParseStyle(&e, QString::fromLatin1(c.Text));
    EXPECT_EQ(e.FillColorValue(), QString::fromLatin1(c.FillValue)) << c.Text;
    EXPECT_EQ(e.FillColor(), c.Fill) << c.Text;
    if (c.Fill != -1) EXPECT_NEAR(e.FillColorAlpha(), c.FillAlpha, 1e-4) << c.Text;
  }
  const struct {
    const char* Text;
    float Fill, Stroke, Opacity;
  } opacities[] = {
      {"fill-opacity:0.25", 0.25f, 1, 1},
      {"stroke-opacity:40%", 1, 0.4f, 1},
      {"opacity:.5", 1, 1, 0.5f},
      {"fill-opacity:2;stroke-opacity:-1", 1, 0, 1},
      {"opacity:50%;fill-opacity:x", 1, 1, 0.5f},
  };
  for (const auto& c : opacities) {
    TKitGraphicsSVGElement e;
    doc.ParseStyle(&e, QString::fromLatin1(c.Text));
    EXPECT_FLOAT_EQ(e.FillOpacity(), c.Fill) << c.Text;
    EXPECT_FLOAT_EQ(e.StrokeOpacity(), c.Stroke) << c.Text;
    EXPECT_FLOAT_EQ(e.Opacity(), c.Opacity) << c.Text;
  }
  const struct {
    const char* Text;
    const char* Fill;
    const char* Clip;
  } rules[] = {{"fill-rule:evenodd", "evenodd", "default"},
               {"fill-rule:nonzero;clip-rule:evenodd", "nonzero", "evenodd"},
               {"fill-rule:EvenOdd", "evenodd", "default"},
               {"fill-rule:wobble", "default", "default"},
               {"fill-rule:evenodd;fill-rule:inherit", "default", "default"}};
  for (const auto& c : rules) {
    TKitGraphicsSVGElement e;
    doc.ParseStyle(&e, QString::fromLatin1(c.Text));
    EXPECT_EQ(e.FillRuleValue(), QString::fromLatin1(c.Fill)) << c.Text;
    EXPECT_EQ(e.ClipRuleValue(), QString::fromLatin1(c.Clip)) << c.Text;
  }
  TKitGraphicsSVGElement colour;
  doc.ParseStyle(&colour, QStringLiteral("color:#123456"));
  EXPECT_EQ(colour.Color(), 0x563412);
  EXPECT_EQ(colour.ColorValue(), QStringLiteral("#123456"));
}

TEST(KitSVGValues, GeometryLengthsOfTheViewport) {
  TKitGraphicsSVGImport doc;
  doc.LoadFromText(
      QStringLiteral("<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 200 100'>"
                     "<rect x='10%' y='10%' width='50%' height='1in' rx='1mm'/>"
                     "<circle cx='50%' cy='50%' r='10%'/></svg>"));
  ASSERT_EQ(doc.ElementCount(), 2);
  const TKitGraphicsSVGElement* rect = doc.ElementList()[0].get();
  EXPECT_FLOAT_EQ(rect->X(), 20) << "% of the width";
  EXPECT_FLOAT_EQ(rect->Y(), 10) << "% of the height";
  EXPECT_FLOAT_EQ(rect->Width(), 100);
  EXPECT_FLOAT_EQ(rect->Height(), 96);
  EXPECT_NEAR(rect->Rx(), 96 / 25.4, 1e-4);
  const TKitGraphicsSVGElement* circle = doc.ElementList()[1].get();
  EXPECT_FLOAT_EQ(circle->X(), 100);
  EXPECT_FLOAT_EQ(circle->Y(), 50);
  EXPECT_NEAR(circle->Rx(), 0.1 * std::sqrt((200.0 * 200 + 100 * 100) / 2), 1e-3) << "% of the diagonal";
  const struct {
    const char* Text;
    float Value;
    bool Percent;
  } gradient[] = {{"0.6", 0.6f, false}, {"60%", 0.6f, true}, {"1in", 96, false}, {"x", 0, false}};
  for (const auto& c : gradient) {
    const TKitGraphicsSVGLength l = TKitGraphicsSVGImport::ParseGradientLength(QString::fromLatin1(c.Text));
    EXPECT_TRUE(l.Present);
    EXPECT_FLOAT_EQ(l.Value, c.Value) << c.Text;
    EXPECT_EQ(l.Percent, c.Percent) << c.Text;
  }
}
