// Drawing SVG documents through the facade: placement, rotation, paint
// inheritance and the document's colour options on both back-ends (pixel
// probes), and what reaches a recording context (stroke widths, gradient
// geometry, text anchors, clips).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>

#include "foundation/KitGraphics.h"
#include "foundation/KitGraphicsSVGEngine.h"
#include "tests/foundation/KitGraphicsFakeContext.h"
#include "tests/support/PixelProbes.h"
#include "tests/support/TestSupport.h"

namespace {

std::unique_ptr<TKitGraphicsSVGImport> Load(const QString& text) {
  auto doc = std::make_unique<TKitGraphicsSVGImport>();
  doc->LoadFromText(text);
  return doc;
}

// The document drawn on a white w x h bitmap into ARect.
QImage Render(TKitGraphicsSVGImport& doc, bool native, const TRectF& rect, int w = 64, int h = 64) {
  TBitmap bitmap(w, h);
  bitmap.SetPixelFormat(pf32bit);
  bitmap.Canvas()->Brush()->SetColor(clWhite);
  bitmap.Canvas()->FillRect(TRect(0, 0, w, h));
  doc.Draw(bitmap.Canvas(), rect, native);
  return bitmap.ToImage().convertToFormat(QImage::Format_RGB32);
}

// The pixel shows the Windows colour (0xBBGGRR) within 8 per channel.
bool Shows(const QImage& image, int x, int y, TColor colour) {
  const QRgb expected = qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
  return probe::Near(probe::At(image, x, y) | 0xFF000000u, expected);
}

// Pictures for a look by eye: test-output/ next to the binary.
QString OutputFolder() { return testsupport::TestOutputFolder(); }

constexpr TColor Red = 0x0000FF, White = 0xFFFFFF, Black = 0, Blue = 0xFF0000;

class SVGBackEnds : public ::testing::TestWithParam<bool> {};

// A recording context that also keeps what each filled and stroked path
// was drawn with.
class TPaintRecorder : public TRecordingContext {
 public:
  using TRecordingContext::TRecordingContext;
  struct TPaint {
    TKitGraphicsFillKind FillKind;
    TKitGraphicsFillGradientType GradientType;
    float GradientAngle;
    TPointF Centre;
    int Stops;
    float StrokeWidth;
    TKitGraphicsStrokeKind StrokeKind;
    TRectF Bounds;
  };
  std::vector<TPaint> Paints;
  std::vector<TRectF> Texts;
  std::vector<TRectF> Clips;
  void FillPath(TKitGraphicsFill* AFill, TKitGraphicsPath* APath, TKitGraphicsPathDrawMode) override {
    TKitGraphicsStroke* stroke = Graphics()->Stroke();
    Paints.push_back({AFill->Kind(), AFill->GradientType(), AFill->GradientAngle(), AFill->GradientCenterPoint(),
                      AFill->GradientItems()->Count(), stroke->Width(), stroke->Kind(), APath->GetBounds()});
  }
  void DrawPath(TKitGraphicsStroke* AStroke, TKitGraphicsPath* APath, TKitGraphicsPathDrawMode) override {
    TKitGraphicsFill* fill = Graphics()->Fill();
    if (fill->Kind() == gfkNone || fill->Color() == -1)
      Paints.push_back({fill->Kind(), fill->GradientType(), 0, {}, 0, AStroke->Width(), AStroke->Kind(),
                        APath->GetBounds()});
  }
  void DrawText(const QString& AText, const TRectF& ARect, bool, TKitGraphicsTextAlign, TKitGraphicsTextAlign,
                TKitGraphicsTextTrimming, float) override {
    Texts.push_back(ARect);
    Calls << QStringLiteral("DrawText(%1)").arg(AText);
  }
  void ClipPath(TKitGraphicsPath* APath) override { Clips.push_back(APath->GetBounds()); }
};

struct TRecorded {
  TRecorded() {
    TKitGraphicsContextOverride use([](TKitGraphics* g) { return std::make_unique<TPaintRecorder>(g); });
    Facade = std::make_unique<TKitGraphics>(Bitmap.Canvas(), false);
  }
  TPaintRecorder& Fake() { return *static_cast<TPaintRecorder*>(Facade->Context()); }
  TBitmap Bitmap{8, 8};
  std::unique_ptr<TKitGraphics> Facade;
};

}  // namespace

TEST_P(SVGBackEnds, PlacementScaleAndRotation) {
  const bool native = GetParam();
  auto doc = Load(QStringLiteral("<svg viewBox='0 0 24 24'><rect width='12' height='12' fill='red'/></svg>"));
  // (0, 0, 24, 24) into (10, 10, 58, 58): twice the size, origin at (10, 10).
  QImage image = Render(*doc, native, TRectF(10, 10, 58, 58));
  EXPECT_TRUE(Shows(image, 11, 11, Red));
  EXPECT_TRUE(Shows(image, 32, 32, Red));
  EXPECT_TRUE(Shows(image, 35, 35, White));
  EXPECT_TRUE(Shows(image, 8, 8, White));
  EXPECT_TRUE(Shows(image, 50, 14, White));
  // Turned by 90 degrees about the view centre: the top-left quarter goes
  // to the top right.
  doc->SetRotationAngle(90);
  image = Render(*doc, native, TRectF(10, 10, 58, 58));
  EXPECT_TRUE(Shows(image, 50, 14, Red));
  EXPECT_TRUE(Shows(image, 14, 14, White));
  EXPECT_TRUE(Shows(image, 14, 50, White));
}

TEST_P(SVGBackEnds, PaintInheritanceAndOptions) {
  const bool native = GetParam();
  auto doc = Load(QStringLiteral(
      "<svg viewBox='0 0 40 10'>"
      "<g fill='red'><rect x='0' width='10' height='10'/></g>"
      "<rect x='10' width='10' height='10'/>"
      "<rect x='20' width='10' height='10' fill='blue' display='none'/>"
      "<rect x='30' width='10' height='10' fill='blue'/>"
      "</svg>"));
  QImage image = Render(*doc, native, TRectF(0, 0, 40, 10), 40, 10);
  EXPECT_TRUE(Shows(image, 5, 5, Red)) << "from the group";
  EXPECT_TRUE(Shows(image, 15, 5, Black)) << "no fill anywhere: black";
  EXPECT_TRUE(Shows(image, 25, 5, White)) << "display none is skipped";
  EXPECT_TRUE(Shows(image, 35, 5, Blue)) << "and the next sibling still drawn";

  doc->SetGrayScale(true);
  image = Render(*doc, native, TRectF(0, 0, 40, 10), 40, 10);
  EXPECT_TRUE(Shows(image, 15, 5, 0x808080)) << "no fill, grey scale";
  EXPECT_TRUE(Shows(image, 5, 5, TKitGraphicsSVGImport::GrayScaleColor(Red)));
  doc->SetGrayScale(false);
  doc->SetCustomFillColor(0x00FF00);
  image = Render(*doc, native, TRectF(0, 0, 40, 10), 40, 10);
  EXPECT_TRUE(Shows(image, 5, 5, 0x00FF00)) << "custom fill colour";
  doc->SetTintColor(0x8080FF);
  image = Render(*doc, native, TRectF(0, 0, 40, 10), 40, 10);
  EXPECT_TRUE(Shows(image, 35, 5, TKitGraphicsSVGImport::MultiplyColors(Blue, 0x8080FF)));
  EXPECT_TRUE(Shows(image, 15, 5, 0x8080FF)) << "no fill: the tint";
}

TEST_P(SVGBackEnds, ShapesPathsAndStrokes) {
  const bool native = GetParam();
  auto doc = Load(QStringLiteral(
      "<svg viewBox='0 0 64 64'>"
      "<circle cx='10' cy='10' r='8' fill='#ff0000'/>"
      "<ellipse cx='30' cy='10' rx='8' ry='4' fill='#0000ff'/>"
      "<path d='M 40 2 h 16 v 16 h -16 z m 4 4 v 8 h 8 v -8 z' fill='#000'/>"
      "<polygon points='2,30 20,30 11,46' fill='#00ff00'/>"
      "<path d='M30 40 a 8 8 0 1 0 16 0 a 8 8 0 1 0 -16 0' fill='#ff0000'/>"
      "<line x1='50' y1='30' x2='62' y2='30' stroke='#0000ff' stroke-width='4'/>"
      "<g transform='translate(2,50) scale(2)'><rect width='4' height='4' fill='#0000ff'/></g>"
      "</svg>"));
  QImage image = Render(*doc, native, TRectF(0, 0, 64, 64));
  EXPECT_TRUE(image.save(OutputFolder() + (native ? QStringLiteral("/svg-shapes-gdiplus.png")
                                                  : QStringLiteral("/svg-shapes-gdi.png"))));
  EXPECT_TRUE(Shows(image, 10, 10, Red));
  EXPECT_TRUE(Shows(image, 10, 19, White)) << "outside the circle";
  EXPECT_TRUE(Shows(image, 30, 10, Blue));
  EXPECT_TRUE(Shows(image, 30, 16, White)) << "outside the ellipse";
  EXPECT_TRUE(Shows(image, 41, 3, Black));
  EXPECT_TRUE(Shows(image, 48, 10, White)) << "the hole of the second figure";
  EXPECT_TRUE(Shows(image, 11, 34, 0x00FF00));
  EXPECT_TRUE(Shows(image, 38, 40, Red)) << "two arcs make a disc";
  EXPECT_TRUE(Shows(image, 56, 30, Blue)) << "stroked line";
  EXPECT_TRUE(Shows(image, 5, 53, Blue)) << "translate, then scale";
  EXPECT_TRUE(Shows(image, 11, 53, White));
}

TEST_P(SVGBackEnds, PaintServersWithoutStopsDrawNothingAmiss) {
  // A pattern sets no gradient geometry and a gradient may have no stops:
  // the shape gets a gradient fill without colours, and the elements after
  // it still draw.
  const bool native = GetParam();
  auto doc = Load(QStringLiteral(
      "<svg viewBox='0 0 30 10'>"
      "<defs><pattern id='p' width='2' height='2'><rect width='1' height='1' fill='blue'/></pattern>"
      "<linearGradient id='empty'/></defs>"
      "<rect width='10' height='10' fill='url(#p)'/>"
      "<rect x='10' width='10' height='10' fill='url(#empty)'/>"
      "<rect x='20' width='10' height='10' fill='#00ff00'/>"
      "</svg>"));
  QImage image;
  ASSERT_NO_THROW(image = Render(*doc, native, TRectF(0, 0, 30, 10), 30, 10));
  EXPECT_TRUE(Shows(image, 25, 5, 0x00FF00));
}

INSTANTIATE_TEST_SUITE_P(KitSVGRender, SVGBackEnds, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "GDIPlus" : "GDI"; });

TEST(KitSVGRender, GenerateBitmap) {
  TKitGraphicsSVGImport empty;
  EXPECT_EQ(empty.GenerateBitmap(-1, -1), nullptr);
  empty.LoadFromText(QStringLiteral("<svg viewBox='0 0 10 10'/>"));
  EXPECT_EQ(empty.GenerateBitmap(-1, -1), nullptr) << "no elements";

  auto doc = Load(QStringLiteral("<svg viewBox='0 0 24 16'><rect width='12' height='8' fill='red'/></svg>"));
  std::unique_ptr<TKitBitmap> bitmap = doc->GenerateBitmap(-1, -1);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->Width(), 24);
  EXPECT_EQ(bitmap->Height(), 16);
  QImage image = bitmap->Graphic()->ToImage();
  EXPECT_TRUE(Shows(image, 3, 3, Red));
  bitmap = doc->GenerateBitmap(48, 32);
  EXPECT_EQ(bitmap->Width(), 48);
  image = bitmap->Graphic()->ToImage();
  EXPECT_TRUE(Shows(image, 22, 14, Red));
  EXPECT_FALSE(Shows(image, 26, 18, Red));
}

TEST(KitSVGRender, WhatReachesTheContext) {
  auto doc = Load(
      QStringLiteral("<svg viewBox='0 0 100 100'>"
                     "<defs><linearGradient id='lin' x1='0' y1='0' x2='0' y2='10'>"
                     "<stop offset='0' stop-color='#000'/><stop offset='1' stop-color='#fff'/></linearGradient>"
                     "<radialGradient id='rad'><stop offset='0' stop-color='#f00'/></radialGradient>"
                     "<radialGradient id='rad2' cx='25' cy='75'><stop offset='0' stop-color='#f00'/></radialGradient>"
                     "<linearGradient id='ref' xlink:href='#lin' x1='0' y1='0' x2='10' y2='0' "
                     "xmlns:xlink='http://www.w3.org/1999/xlink'/></defs>"
                     "<rect width='10' height='10' stroke='red' stroke-width='0.5' fill='none'/>"
                     "<rect width='10' height='10' stroke='red' stroke-width='3' fill='none'/>"
                     "<rect width='10' height='10' stroke='red' fill='none' transform='scale(2 8)'/>"
                     "<text x='5' y='20'>Hi</text>"
                     "<style>.c { clip-path: url(#cp) }</style>"
                     "<clipPath id='cp'><rect x='1' y='2' width='3' height='4'/></clipPath>"
                     "<rect class='c' width='50' height='50'/>"
                     "</svg>"));
  TRecorded r;
  doc->Draw(r.Facade.get(), TRectF(0, 0, 100, 100), false, false);
  const auto& paints = r.Fake().Paints;
  // Gradients are drawn by the engine as pictures (see the pixel tests);
  // only the stroked rectangles reach the context as paths.
  ASSERT_EQ(paints.size(), 4u);
  EXPECT_FLOAT_EQ(paints[0].StrokeWidth, 1) << "0.5 at scale 1 is widened to a pixel on GDI";
  EXPECT_FLOAT_EQ(paints[1].StrokeWidth, 3);
  EXPECT_FLOAT_EQ(paints[2].StrokeWidth, 4) << "the default width of 1 user unit, scaled by the transform";
  // Text at y 20 is drawn with its top at 20 minus the text height (the
  // measured 12 plus the facade's one pixel of leading).
  ASSERT_EQ(r.Fake().Texts.size(), 1u);
  EXPECT_NEAR(r.Fake().Texts[0].Top, 7, 0.01);
  EXPECT_NEAR(r.Fake().Texts[0].Left, 5, 0.01);
  // The clip path reached through the class rule clips with its last child.
  ASSERT_EQ(r.Fake().Clips.size(), 1u);
  EXPECT_NEAR(r.Fake().Clips[0].Left, 1, 0.01);
  EXPECT_NEAR(r.Fake().Clips[0].Bottom, 6, 0.01);

  // Stroke widths scale with the document.
  TRecorded big;
  doc->Draw(big.Facade.get(), TRectF(0, 0, 200, 200), false, false);
  EXPECT_FLOAT_EQ(big.Fake().Paints[1].StrokeWidth, 6);
  EXPECT_FLOAT_EQ(big.Fake().Paints[2].StrokeWidth, 8);
}

TEST(KitSVGRender, PicturesOfSVGFilesDrawOnCanvasesAndFacades) {
  testsupport::TempDir dir;
  const QString file = dir.File(QStringLiteral("icon.svg"));
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 16 16'><rect width='8' height='16' fill='#f00'/></svg>");
  f.close();
  // The registered format: a picture loads the file as an SVG graphic.
  TKitBitmap picture;
  picture.LoadFromFile(file);
  ASSERT_TRUE(picture.HasSVG());
  EXPECT_EQ(picture.Width(), 16);
  TBitmap target(32, 32);
  target.SetPixelFormat(pf32bit);
  target.Canvas()->Brush()->SetColor(clWhite);
  target.Canvas()->FillRect(TRect(0, 0, 32, 32));
  target.Canvas()->StretchDraw(TRect(0, 0, 32, 32), picture.Graphic());
  QImage image = target.ToImage();
  EXPECT_TRUE(Shows(image, 4, 16, Red));
  EXPECT_TRUE(Shows(image, 28, 16, White));
  // Through a facade, after its own transform.
  target.Canvas()->FillRect(TRect(0, 0, 32, 32));
  TKitGraphics facade(target.Canvas(), true);
  facade.SetMatrix(MatrixCreateTranslation(16, 0));
  facade.DrawBitmap(TRectF(0, 0, 16, 16), &picture, true, true, true, false);
  image = target.ToImage();
  EXPECT_TRUE(Shows(image, 20, 8, Red)) << "moved by the facade's transform";
  EXPECT_TRUE(Shows(image, 4, 8, White));
}

// Documents drawn right, on both back-ends: each case a small document of
// 40 x 40 user units drawn into 40 x 40 pixels, and the colours of a few
// pixels (0xBBGGRR) within a tolerance per channel.
namespace {
struct TProbe {
  int X, Y;
  TColor Colour;
  int Tolerance = 8;
};
struct TPictureCase {
  const char* Name;
  const char* Body;
  std::vector<TProbe> Probes;
  const char* Root = "viewBox='0 0 40 40'";
};
void PrintTo(const TPictureCase& c, std::ostream* os) { *os << c.Name; }

const TPictureCase kPictureCases[] = {
    {"UnitsOfCss",
     "<rect width='0.25in' height='10mm' fill='red'/><rect y='20' width='15pt' height='1pc' fill='blue'/>",
     {{22, 5, Red}, {26, 5, White}, {22, 36, Red}, {22, 39, White}, {18, 30, Blue}, {21, 30, Red}, {5, 35, Blue}}},
    {"PercentOfTheViewport",
     "<rect x='25%' y='50%' width='50%' height='25%' fill='red'/>",
     {{9, 25, White}, {11, 21, Red}, {29, 29, Red}, {31, 25, White}, {20, 31, White}}},
    {"StrokeWidthScalesWithTheTransform",
     "<g transform='scale(4)'><line x1='0' y1='5' x2='10' y2='5' stroke='red'/></g>"
     "<line x1='0' y1='30' x2='40' y2='30' stroke='blue' stroke-width='0'/>",
     {{20, 18, Red}, {20, 21, Red}, {20, 16, White}, {20, 23, White}, {20, 30, White}}},
    {"LinearGradientAlongItsVector",
     "<linearGradient id='g' x1='0.25' x2='0.75'><stop offset='0' stop-color='red'/>"
     "<stop offset='1' stop-color='blue'/></linearGradient><rect width='40' height='40' fill='url(#g)'/>",
     {{3, 20, Red}, {9, 20, Red}, {31, 20, Blue}, {37, 20, Blue}, {20, 20, 0x800080, 14}}},
    {"LinearGradientInUserSpaceWithATransform",
     "<linearGradient id='g' gradientUnits='userSpaceOnUse' x1='0' y1='0' x2='40' y2='0' "
     "gradientTransform='rotate(90 20 20)'><stop offset='0' stop-color='red'/><stop offset='1' "
     "stop-color='blue'/></linearGradient><rect width='40' height='40' fill='url(#g)'/>",
     {{20, 1, Red, 16}, {20, 38, Blue, 16}, {2, 20, 0x800080, 14}, {38, 20, 0x800080, 14}}},
    {"RadialGradientFractionsAndRadius",
     "<radialGradient id='g' cx='0.75' cy='0.5' r='0.2'><stop offset='0' stop-color='red'/>"
     "<stop offset='1' stop-color='blue'/></radialGradient><rect width='40' height='40' fill='url(#g)'/>",
     {{30, 20, Red, 40}, {5, 20, Blue}, {30, 5, Blue}, {30, 35, Blue}}},
    {"RadialGradientFocus",
     "<radialGradient id='g' r='0.5' fx='0.25'><stop offset='0' stop-color='red'/>"
     "<stop offset='1' stop-color='blue'/></radialGradient><rect width='40' height='40' fill='url(#g)'/>",
     {{10, 20, Red, 24}, {2, 2, Blue}, {30, 20, 0x800080, 60}}},
    {"GradientsWithoutStopsOrWithOne",
     "<linearGradient id='none'/><linearGradient id='one'><stop stop-color='red'/></linearGradient>"
     "<rect width='20' height='40' fill='url(#none)'/><rect x='20' width='20' height='40' fill='url(#one)'/>",
     {{10, 20, White}, {30, 20, Red}}},
    {"StrokeAndFillKeepTheirOwnReference",
     "<linearGradient id='g'><stop stop-color='blue'/></linearGradient>"
     "<rect x='10' y='10' width='20' height='20' fill='red' stroke='url(#g)' stroke-width='4'/>",
     {{20, 20, Red}, {10, 20, Blue}, {30, 20, Blue}, {20, 10, Blue}}},
    {"ColoursAsCssReadsThem",
     "<g color='#00ff00'><rect width='10' height='10' fill='currentColor'/></g>"
     "<rect x='10' width='10' height='10' fill='RGB(255,0,0)'/>"
     "<rect x='20' width='10' height='10' fill='hsl(240,100%,50%)'/>"
     "<rect x='30' width='10' height='10' fill='rgba(0,0,0,0.5)'/>"
     "<rect y='10' width='10' height='10' fill='#f008'/>"
     "<rect x='10' y='10' width='10' height='10' fill='#0000ff80'/>"
     "<g fill='red'><rect x='20' y='10' width='10' height='10' fill='inherit'/></g>",
     {{5, 5, 0x00FF00},
      {15, 5, Red},
      {25, 5, Blue},
      {35, 5, 0x808080, 10},
      {5, 15, 0x7777FF, 10},
      {15, 15, 0xFF7F7F, 10},
      {25, 15, Red}}},
    {"OpacitiesMultiply",
     "<rect width='10' height='10' fill='black' fill-opacity='0.5'/>"
     "<line x1='20' y1='5' x2='40' y2='5' stroke='black' stroke-width='10' stroke-opacity='0.5'/>"
     "<g opacity='0.5'><rect y='20' width='10' height='10' fill='black'/>"
     "<g opacity='0.5'><rect x='20' y='20' width='10' height='10' fill='black'/></g></g>",
     {{5, 5, 0x808080, 10}, {30, 5, 0x808080, 10}, {5, 25, 0x808080, 10}, {25, 25, 0xBFBFBF, 10}}},
    {"FillRuleNonzeroByDefault",
     "<path d='M20 2 L31 36 L2 14 L38 14 L9 36 Z' fill='red'/>",
     {{20, 20, Red}, {20, 8, Red}}},
    {"FillRuleEvenOdd",
     "<path d='M20 2 L31 36 L2 14 L38 14 L9 36 Z' fill='red' fill-rule='evenodd'/>",
     {{20, 20, White}, {20, 8, Red}}},
    {"HolesOfOppositeWinding",
     "<path d='M0 0 H40 V40 H0 Z M10 10 V30 H30 V10 Z' fill='black' fill-opacity='0.5'/>",
     {{5, 5, 0x808080, 10}, {20, 20, White}}},
    {"RootAspectRatioIsKept",
     "<rect width='40' height='20' fill='red'/>",
     {{20, 5, White}, {20, 12, Red}, {20, 27, Red}, {20, 35, White}},
     "viewBox='0 0 40 20'"},
    {"RootAspectRatioNone",
     "<rect width='40' height='20' fill='red'/>",
     {{20, 2, Red}, {20, 37, Red}},
     "viewBox='0 0 40 20' preserveAspectRatio='none'"},
    {"ClassRulesAndStyleCascade",
     "<style>.a { fill: blue; color: #00ff00 } .b { fill: currentColor }</style>"
     "<rect class='a' width='10' height='10' fill='red'/>"
     "<rect class='a' x='10' width='10' height='10' style='fill:red'/>"
     "<rect class='b' x='20' width='10' height='10' color='#0000ff'/>"
     "<g color='#00ff00'><rect class='b' x='30' width='10' height='10'/></g>",
     {{5, 5, Blue}, {15, 5, Red}, {25, 5, Blue}, {35, 5, 0x00FF00}}},
};
}  // namespace

class SVGPictures : public ::testing::TestWithParam<std::tuple<TPictureCase, bool>> {};

TEST_P(SVGPictures, DrawnRight) {
  const auto& [c, native] = GetParam();
  auto doc = Load(QStringLiteral("<svg xmlns='http://www.w3.org/2000/svg' %1>%2</svg>")
                      .arg(QString::fromLatin1(c.Root), QString::fromLatin1(c.Body)));
  const QImage image = Render(*doc, native, TRectF(0, 0, 40, 40), 40, 40);
  image.save(OutputFolder() + QStringLiteral("/svg-case-%1-%2.png")
                                  .arg(QLatin1String(c.Name), native ? QStringLiteral("gdip") : QStringLiteral("gdi")));
  for (const TProbe& p : c.Probes) {
    const QRgb expected = qRgb(p.Colour & 0xFF, (p.Colour >> 8) & 0xFF, (p.Colour >> 16) & 0xFF);
    const QRgb got = probe::At(image, p.X, p.Y) | 0xFF000000u;
    EXPECT_TRUE(probe::Near(got, expected, p.Tolerance))
        << "at (" << p.X << ", " << p.Y << ") " << QColor(got).name().toStdString() << " instead of "
        << QColor(expected).name().toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(KitSVGRender, SVGPictures,
                         ::testing::Combine(::testing::ValuesIn(kPictureCases), ::testing::Values(true, false)),
                         [](const ::testing::TestParamInfo<std::tuple<TPictureCase, bool>>& info) {
                           return std::string(std::get<0>(info.param).Name) +
                                  (std::get<1>(info.param) ? "_GDIPlus" : "_GDI");
                         });
