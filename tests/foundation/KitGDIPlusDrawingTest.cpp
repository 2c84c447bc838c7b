// Drawing through the run-time GDI+ wrappers, checked by pixel probes on
// small PARGB bitmaps and on device contexts that GDI draws into as well:
// fills, clips, transforms, pen dashes, gradients, hatches and textures,
// rotated text, and images drawn at points and into rectangles.

#include <QPainter>

#include <array>
#include <cmath>
#include <vector>

#include "tests/foundation/KitGDIPlusTestSupport.h"
#include "tests/platform/win32/GdiTestSupport.h"

namespace gdiptest {
namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kGreen = 0xFF00FF00;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kYellow = 0xFFFFFF00;

// The probes run on both backings: a bitmap over the picture, and a device
// context of the layer that GDI painted first.
class GdipDrawing : public GdipTest, public ::testing::WithParamInterface<Backing> {
 protected:
  void SetUp() override {
    GdipTest::SetUp();
    DefaultBacking() = GetParam();
  }
  void TearDown() override {
    DefaultBacking() = Backing::Bitmap;
    GdipTest::TearDown();
  }
};

INSTANTIATE_TEST_SUITE_P(OnBitmapsAndDcs, GdipDrawing,
                         ::testing::Values(Backing::Bitmap, Backing::DeviceContext),
                         [](const ::testing::TestParamInfo<Backing>& info) {
                           return info.param == Backing::Bitmap ? "Bitmap" : "DeviceContext";
                         });

using GdipDcDrawing = GdipTest;

// Fills everything the clip lets through.
void FillAll(Surface& s, QRgb color = kRed) {
  TGPSolidBrush brush(color);
  s.g().FillRectangle(&brush, -100, -100, 300, 300);
}

// ---------------------------------------------------------------------------
// Fills

TEST_P(GdipDrawing, FillsCoverTheShapeAndNothingElse) {
  Surface s;
  TGPSolidBrush red(kRed);
  ASSERT_EQ(s.g().FillRectangle(&red, 2, 3, 6, 5), Ok);
  EXPECT_EQ(s.Px(2, 3), kRed);
  EXPECT_EQ(s.Px(7, 7), kRed);
  for (auto [x, y] : {std::pair{1, 3}, {8, 3}, {2, 2}, {2, 8}}) EXPECT_EQ(s.Px(x, y), kWhite) << x << "," << y;
  EXPECT_EQ(s.Count(kRed), 30);
  Surface f;
  f.g().FillRectangle(&red, TGPRectF{2, 3, 6, 5});
  EXPECT_EQ(f.image(), s.image());  // the float form fills the same pixels
  KeepPicture(s.image(), QStringLiteral("fill-rectangle"));

  Surface e(24, 24);
  e.g().SetSmoothingMode(SmoothingModeAntiAlias);
  ASSERT_EQ(e.g().FillEllipse(&red, 2, 2, 20, 20), Ok);
  EXPECT_EQ(e.Px(12, 12), kRed);
  EXPECT_EQ(e.Px(2, 2), kWhite);   // the box's corner is outside the ellipse
  EXPECT_EQ(e.Px(23, 12), kWhite);
  int edge = 0;
  for (int x = 0; x < 24; ++x) {
    const QRgb p = e.Px(x, 12);
    edge += p != kRed && p != kWhite;  // anti-aliased rim
  }
  EXPECT_GE(edge, 2);
  KeepPicture(e.image(), QStringLiteral("fill-ellipse-aa"));
}

TEST_P(GdipDrawing, PolygonFillModesDecideTheStarsCentre) {
  // A five-pointed star drawn in one stroke: its centre is enclosed twice.
  std::array<TGPPointF, 5> star;
  for (int i = 0; i < 5; ++i) {
    const double a = -M_PI / 2 + i * 4 * M_PI / 5;
    star[size_t(i)] = TGPPointF{REAL(20 + 18 * std::cos(a)), REAL(20 + 18 * std::sin(a))};
  }
  TGPSolidBrush red(kRed);
  Surface alternate(41, 41), winding(41, 41);
  ASSERT_EQ(alternate.g().FillPolygon(&red, star.data(), 5), Ok);  // alternate by default
  ASSERT_EQ(winding.g().FillPolygon(&red, star.data(), 5, FillModeWinding), Ok);
  EXPECT_EQ(alternate.Px(20, 21), kWhite);
  EXPECT_EQ(winding.Px(20, 21), kRed);
  EXPECT_EQ(alternate.Px(20, 6), kRed);  // a tip is filled either way
  EXPECT_EQ(winding.Px(20, 6), kRed);
  KeepPicture(alternate.image(), QStringLiteral("star-alternate"));
  KeepPicture(winding.image(), QStringLiteral("star-winding"));
}

// ---------------------------------------------------------------------------
// Clips

TEST_P(GdipDrawing, ClipsLimitWhatIsPainted) {
  struct Case {
    const char* name;
    std::function<void(TGPGraphics&)> clip;
    std::vector<std::pair<QPoint, bool>> probes;  // painted or not
  };
  TGPGraphicsPath circle;
  circle.AddEllipse(0, 0, 20, 20);
  const std::vector<Case> cases = {
      {"rectangle", [](TGPGraphics& g) { g.SetClip(TGPRect{5, 5, 10, 10}); },
       {{{7, 7}, true}, {{14, 14}, true}, {{4, 7}, false}, {{15, 15}, false}}},
      {"intersect", [](TGPGraphics& g) {
         g.SetClip(TGPRectF{0, 0, 12, 12});
         g.IntersectClip(TGPRect{5, 5, 10, 10});
       },
       {{{7, 7}, true}, {{12, 12}, false}, {{2, 2}, false}}},
      {"exclude", [](TGPGraphics& g) { g.ExcludeClip(TGPRect{5, 5, 10, 10}); },
       {{{7, 7}, false}, {{2, 2}, true}, {{17, 17}, true}}},
      {"path", [&circle](TGPGraphics& g) { g.SetClip(&circle); },
       {{{10, 10}, true}, {{1, 1}, false}, {{18, 18}, false}}},
      {"region", [](TGPGraphics& g) {
         TGPRegion region(TGPRect{0, 0, 4, 4});
         region.Union(TGPRect{16, 16, 4, 4});
         g.SetClip(&region);
       },
       {{{1, 1}, true}, {{18, 18}, true}, {{10, 10}, false}}},
      {"region of the layer", [](TGPGraphics& g) {
         HRGN rgn = CreateRectRgn(3, 0, 6, 20);
         g.SetClip(rgn, CombineModeReplace);
         DeleteObject(rgn);
       },
       {{{4, 10}, true}, {{2, 10}, false}, {{6, 10}, false}}},
      {"translated", [](TGPGraphics& g) {
         g.SetClip(TGPRect{0, 0, 4, 4});
         g.TranslateClip(10, 10);
       },
       {{{11, 11}, true}, {{1, 1}, false}}},
      {"reset", [](TGPGraphics& g) {
         g.SetClip(TGPRect{0, 0, 4, 4});
         g.ResetClip();
       },
       {{{1, 1}, true}, {{18, 18}, true}}},
      {"another graphics", [](TGPGraphics& g) {
         Surface other;
         other.g().SetClip(TGPRect{8, 8, 2, 2});
         g.SetClip(&other.g());
       },
       {{{8, 8}, true}, {{10, 10}, false}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Surface s;
    c.clip(s.g());
    EXPECT_EQ(s.g().GetLastStatus(), Ok);
    FillAll(s);
    for (const auto& [p, painted] : c.probes) {
      EXPECT_EQ(s.Px(p.x(), p.y()) == kRed, painted) << p.x() << "," << p.y();
      EXPECT_EQ(s.g().IsVisible(p.x(), p.y()), painted) << p.x() << "," << p.y();
    }
  }
}

TEST_P(GdipDrawing, IntersectClipEqualsSetClipWithIntersect) {
  Surface a, b;
  a.g().SetClip(TGPRect{0, 0, 12, 12});
  a.g().IntersectClip(TGPRectF{5, 5, 10, 10});
  b.g().SetClip(TGPRect{0, 0, 12, 12});
  b.g().SetClip(TGPRectF{5, 5, 10, 10}, CombineModeIntersect);
  TGPRect boundsA{}, boundsB{};
  a.g().GetClipBounds(boundsA);
  b.g().GetClipBounds(boundsB);
  EXPECT_EQ(boundsA.X, boundsB.X);
  EXPECT_EQ(boundsA.Width, 7);
  FillAll(a);
  FillAll(b);
  EXPECT_EQ(a.image(), b.image());
  EXPECT_EQ(a.Count(kRed), 49);
  TGPRegion clip;
  a.g().GetClip(&clip);
  EXPECT_TRUE(clip.IsVisible(6, 6));
  EXPECT_FALSE(clip.IsVisible(4, 6));
  EXPECT_FALSE(a.g().IsClipEmpty());
  a.g().SetClip(TGPRect{30, 30, 2, 2}, CombineModeIntersect);
  EXPECT_TRUE(a.g().IsClipEmpty());
  EXPECT_FALSE(a.g().IsVisible(TGPRect{0, 0, 20, 20}));
}

// ---------------------------------------------------------------------------
// Transforms

TEST_P(GdipDrawing, WorldTransformsMoveTurnAndScaleDrawing) {
  TGPSolidBrush red(kRed);
  Surface moved;
  moved.g().TranslateTransform(5, 7);
  moved.g().FillRectangle(&red, 0, 0, 4, 4);
  EXPECT_EQ(moved.Ink(), QRect(5, 7, 4, 4));

  // A horizontal bar turned a quarter about (10, 10) stands upright.
  Surface turned;
  turned.g().TranslateTransform(10, 10);
  turned.g().RotateTransform(90);
  turned.g().FillRectangle(&red, 0, -1, 8, 2);
  const QRect ink = turned.Ink();
  EXPECT_EQ(ink.width(), 2);
  EXPECT_EQ(ink.height(), 8);
  EXPECT_EQ(ink.top(), 10);
  KeepPicture(turned.image(), QStringLiteral("rotated-bar"));

  Surface scaled;
  TGPMatrix twice(2, 0, 0, 2, 1, 1);
  scaled.g().SetTransform(&twice);
  scaled.g().FillRectangle(&red, 1, 1, 3, 2);
  EXPECT_EQ(scaled.Ink(), QRect(3, 3, 6, 4));
  TGPMatrix back;
  scaled.g().GetTransform(&back);
  EXPECT_TRUE(back.IsEqual(&twice));
  TGPPointF p{1, 1};
  EXPECT_EQ(scaled.g().TransformPoints(CoordinateSpaceDevice, CoordinateSpaceWorld, &p, 1), Ok);
  EXPECT_FLOAT_EQ(p.X, 3);

  // Saved states and containers bring the transform back.
  Surface state;
  state.g().TranslateTransform(2, 0);
  const GraphicsState saved = state.g().Save();
  state.g().TranslateTransform(10, 0);
  EXPECT_EQ(state.g().Restore(saved), Ok);
  const GraphicsContainer container =
      state.g().BeginContainer(TGPRectF{0, 0, 20, 20}, TGPRectF{0, 0, 10, 10}, UnitPixel);
  state.g().FillRectangle(&red, 0, 0, 2, 2);  // twice the size, from (2, 0)
  EXPECT_EQ(state.g().EndContainer(container), Ok);
  state.g().FillRectangle(&red, 0, 15, 2, 2);
  EXPECT_EQ(state.Px(2, 0), kRed);
  EXPECT_EQ(state.Px(5, 3), kRed);
  EXPECT_EQ(state.Px(6, 4), kWhite);
  EXPECT_EQ(state.Px(2, 15), kRed);
  EXPECT_EQ(state.Px(4, 15), kWhite);
  state.g().ResetTransform();
  TGPMatrix identity;
  state.g().GetTransform(&identity);
  EXPECT_TRUE(identity.IsIdentity());
}

TEST_P(GdipDrawing, PageUnitsScaleToDevicePixels) {
  Surface s(40, 10);
  EXPECT_EQ(s.g().GetPageUnit(), UnitDisplay);
  EXPECT_FLOAT_EQ(s.g().GetDpiX(), 96);
  s.g().SetPageUnit(UnitPoint);
  EXPECT_EQ(s.g().GetPageUnit(), UnitPoint);
  // The library cannot apply a page scale: one other than 1 is refused.
  EXPECT_EQ(s.g().SetPageScale(2), NotImplemented);
  EXPECT_EQ(s.g().GetLastStatus(), NotImplemented);
  EXPECT_FLOAT_EQ(s.g().GetPageScale(), 1);
  EXPECT_EQ(s.g().SetPageScale(1), Ok);
  TGPSolidBrush red(kRed);
  s.g().FillRectangle(&red, 0, 0, 6, 3);  // 6 x 3 points = 8 x 4 pixels
  EXPECT_EQ(s.Ink(), QRect(0, 0, 8, 4));
  TGPPointF corner{6, 3};
  s.g().TransformPoints(CoordinateSpaceDevice, CoordinateSpaceWorld, &corner, 1);
  EXPECT_FLOAT_EQ(corner.X, 8);
  EXPECT_FLOAT_EQ(corner.Y, 4);
}

TEST_P(GdipDrawing, QualityModesRoundTripAndCompositingReplacesOrBlends) {
  Surface s;
  TGPGraphics& g = s.g();
  g.SetSmoothingMode(SmoothingModeAntiAlias);
  EXPECT_EQ(g.GetSmoothingMode(), SmoothingModeAntiAlias);
  g.SetInterpolationMode(InterpolationModeNearestNeighbor);
  EXPECT_EQ(g.GetInterpolationMode(), InterpolationModeNearestNeighbor);
  g.SetPixelOffsetMode(PixelOffsetModeHalf);
  EXPECT_EQ(g.GetPixelOffsetMode(), PixelOffsetModeHalf);
  g.SetTextRenderingHint(TextRenderingHintAntiAlias);
  EXPECT_EQ(g.GetTextRenderingHint(), TextRenderingHintAntiAlias);
  g.SetCompositingQuality(CompositingQualityHighQuality);
  EXPECT_EQ(g.GetCompositingQuality(), CompositingQualityHighQuality);
  g.SetTextContrast(5);
  EXPECT_EQ(g.GetTextContrast(), 5u);
  g.SetRenderingOrigin(3, 4);
  INT x = 0, y = 0;
  g.GetRenderingOrigin(x, y);
  EXPECT_EQ(x, 3);
  EXPECT_EQ(y, 4);
  ARGB nearest = 0xFF123456;
  EXPECT_EQ(g.GetNearestColor(nearest), Ok);
  EXPECT_EQ(nearest, 0xFF123456u);
  EXPECT_EQ(g.GetLastStatus(), Ok);

  TGPSolidBrush half(0x80FF0000);
  g.SetCompositingMode(CompositingModeSourceCopy);
  EXPECT_EQ(g.GetCompositingMode(), CompositingModeSourceCopy);
  g.FillRectangle(&half, 0, 0, 4, 4);
  g.SetCompositingMode(CompositingModeSourceOver);
  g.FillRectangle(&half, 10, 0, 4, 4);
  EXPECT_EQ(qAlpha(s.Px(1, 1)), 0x80);  // replaced
  EXPECT_EQ(qAlpha(s.Px(11, 1)), 0xFF);  // blended over white
  EXPECT_GT(Green(s.Px(11, 1)), 100);
}

// ---------------------------------------------------------------------------
// Pens

// The ink runs along row y.
int InkRuns(Surface& s, int y, int from, int to) {
  int runs = 0;
  bool inside = false;
  for (int x = from; x < to; ++x) {
    const bool ink = s.Px(x, y) != kWhite;
    runs += ink && !inside;
    inside = ink;
  }
  return runs;
}

TEST_P(GdipDrawing, PenDashesBreakTheLine) {
  struct Case {
    const char* name;
    DashStyle style;
    std::vector<REAL> pattern;
    int minRuns, maxRuns;
  };
  const Case cases[] = {
      {"solid", DashStyleSolid, {}, 1, 1},
      {"dash", DashStyleDash, {}, 24, 28},  // 3 on, 1 off
      {"dot", DashStyleDot, {}, 50, 54},    // 1 on, 1 off
      {"custom 4 on 4 off", DashStyleCustom, {4, 4}, 12, 14},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Surface s(110, 10);
    TGPPen pen(0xFF000000u, 1);
    if (c.pattern.empty())
      pen.SetDashStyle(c.style);
    else
      pen.SetDashPattern(c.pattern.data(), INT(c.pattern.size()));
    EXPECT_EQ(pen.GetDashStyle(), c.style);
    ASSERT_EQ(s.g().DrawLine(&pen, 2, 5, 106, 5), Ok);
    const int runs = InkRuns(s, 5, 0, 110);
    EXPECT_GE(runs, c.minRuns);
    EXPECT_LE(runs, c.maxRuns);
    EXPECT_EQ(s.Ink().height(), 1);
    KeepPicture(s.image(), QStringLiteral("pen-%1").arg(c.name).replace(' ', '-'));
  }
  // The offset moves the pattern along the line.
  Surface a(40, 6), b(40, 6);
  TGPPen pen(0xFF000000u, 1);
  const REAL pattern[2] = {4, 4};
  pen.SetDashPattern(pattern, 2);
  a.g().DrawLine(&pen, 0, 3, 40, 3);
  pen.SetDashOffset(4);
  EXPECT_EQ(pen.GetDashOffset(), 4.0f);
  b.g().DrawLine(&pen, 0, 3, 40, 3);
  EXPECT_NE(a.Px(1, 3), kWhite);
  EXPECT_EQ(b.Px(1, 3), kWhite);
  EXPECT_NE(b.Px(5, 3), kWhite);
}

TEST_P(GdipDrawing, PenWidthCapsAndBrushFillsShowInTheStroke) {
  Surface flat(40, 20), round(40, 20);
  TGPPen pen(0xFF0000FFu, 6);
  pen.SetLineCap(LineCapFlat, LineCapFlat, DashCapFlat);
  flat.g().DrawLine(&pen, 10, 10, 30, 10);
  pen.SetStartCap(LineCapSquare);
  pen.SetEndCap(LineCapSquare);
  EXPECT_EQ(pen.GetStartCap(), LineCapSquare);
  round.g().DrawLine(&pen, 10, 10, 30, 10);
  EXPECT_EQ(flat.Ink(), QRect(10, 7, 20, 6));
  EXPECT_EQ(round.Ink().left(), 7);  // the square cap reaches half the width out

  // A pen filled by a gradient brush.
  Surface g(40, 10);
  TGPLinearGradientBrush gradient(TGPPointF{0, 0}, TGPPointF{40, 0}, kRed, kBlue);
  TGPPen painted(&gradient, 4);
  EXPECT_EQ(painted.GetPenType(), PenTypeLinearGradient);
  g.g().DrawLine(&painted, 0, 5, 40, 5);
  EXPECT_GT(Red(g.Px(2, 5)), Red(g.Px(37, 5)));
  EXPECT_LT(Blue(g.Px(2, 5)), Blue(g.Px(37, 5)));
  KeepPicture(round.image(), QStringLiteral("pen-square-caps"));
}

// ---------------------------------------------------------------------------
// Brushes

TEST_P(GdipDrawing, LinearGradientsRunFromColourToColour) {
  Surface s(40, 4);
  TGPLinearGradientBrush brush(TGPRect{0, 0, 40, 4}, kRed, kBlue, LinearGradientModeHorizontal);
  ASSERT_EQ(s.g().FillRectangle(&brush, 0, 0, 40, 4), Ok);
  EXPECT_GT(Red(s.Px(0, 1)), 230);
  EXPECT_GT(Blue(s.Px(39, 1)), 230);
  for (int x = 1; x < 40; ++x) EXPECT_LE(Red(s.Px(x, 1)), Red(s.Px(x - 1, 1))) << x;
  KeepPicture(s.image(), QStringLiteral("linear-gradient"));

  // Vertical by mode and by angle give the same picture.
  Surface mode(6, 30), angle(6, 30);
  TGPLinearGradientBrush byMode(TGPRectF{0, 0, 6, 30}, kGreen, kRed, LinearGradientModeVertical);
  TGPLinearGradientBrush byAngle(TGPRectF{0, 0, 6, 30}, kGreen, kRed, 90.0f);
  mode.g().FillRectangle(&byMode, 0, 0, 6, 30);
  angle.g().FillRectangle(&byAngle, 0, 0, 6, 30);
  EXPECT_GT(Green(mode.Px(3, 1)), Green(mode.Px(3, 28)));
  for (int y = 0; y < 30; y += 5) EXPECT_TRUE(Near(mode.Px(3, y), angle.Px(3, y), 12)) << y;

  // Three colours: the middle one in the middle.
  Surface preset(41, 2);
  const ARGB colors[3] = {kRed, kGreen, kBlue};
  const REAL positions[3] = {0, 0.5f, 1};
  brush.SetInterpolationColors(colors, positions, 3);
  EXPECT_EQ(brush.GetInterpolationColorCount(), 3);
  TGPMatrix stretch(41.0f / 40.0f, 0, 0, 1, 0, 0);
  brush.SetTransform(&stretch);
  preset.g().FillRectangle(&brush, 0, 0, 41, 2);
  EXPECT_GT(Green(preset.Px(20, 0)), 200);
  EXPECT_LT(Red(preset.Px(20, 0)), 60);

  ARGB first = 0, second = 0;
  EXPECT_EQ(byMode.GetLinearColors(first, second), Ok);
  EXPECT_EQ(first, kGreen);
  EXPECT_EQ(second, kRed);
  TGPRectF rect{};
  byMode.GetRectangle(rect);
  EXPECT_EQ(rect.Height, 30.0f);
  EXPECT_EQ(byMode.GetWrapMode(), WrapModeTile);
}

TEST_P(GdipDrawing, PathGradientsRunFromTheCentreOut) {
  Surface s(41, 41);
  const TGPPointF square[4] = {{0, 0}, {40, 0}, {40, 40}, {0, 40}};
  TGPPathGradientBrush brush(square, 4);
  brush.SetCenterColor(kWhite);
  INT count = 1;
  const ARGB black = 0xFF000000;
  ASSERT_EQ(brush.SetSurroundColors(&black, count), Ok);
  EXPECT_EQ(count, 1);
  TGPPointF center{};
  brush.GetCenterPoint(center);
  EXPECT_FLOAT_EQ(center.X, 20);
  ASSERT_EQ(s.g().FillRectangle(&brush, 0, 0, 41, 41), Ok);
  EXPECT_GT(Red(s.Px(20, 20)), 230);
  EXPECT_GT(Red(s.Px(20, 20)), Red(s.Px(20, 12)));
  EXPECT_GT(Red(s.Px(20, 12)), Red(s.Px(20, 3)));
  EXPECT_LT(Red(s.Px(20, 1)), 60);
  KeepPicture(s.image(), QStringLiteral("path-gradient"));
}

TEST_P(GdipDrawing, HatchesAndTexturesRepeatTheirPattern) {
  Surface hatch(16, 16);
  TGPHatchBrush cross(HatchStyleCross, kBlue, kYellow);
  EXPECT_EQ(cross.GetHatchStyle(), HatchStyleCross);
  ARGB fore = 0, back = 0;
  cross.GetForegroundColor(fore);
  cross.GetBackgroundColor(back);
  EXPECT_EQ(fore, kBlue);
  EXPECT_EQ(back, kYellow);
  hatch.g().FillRectangle(&cross, 0, 0, 16, 16);
  EXPECT_GT(hatch.Count(kBlue), 16);
  EXPECT_GT(hatch.Count(kYellow), 16 * 8);
  EXPECT_EQ(hatch.Count(kBlue) + hatch.Count(kYellow), 256);
  KeepPicture(hatch.image(), QStringLiteral("hatch-cross"));

  TGPBitmap checker(2, 2, PixelFormat32bppARGB);
  checker.SetPixel(0, 0, kRed);
  checker.SetPixel(1, 1, kRed);
  checker.SetPixel(1, 0, kGreen);
  checker.SetPixel(0, 1, kGreen);
  TGPTextureBrush texture(&checker, WrapModeTile);
  EXPECT_EQ(texture.GetWrapMode(), WrapModeTile);
  std::unique_ptr<TGPImage> picture = texture.GetImage();
  EXPECT_EQ(picture->GetWidth(), 2u);
  Surface tiled(8, 8);
  tiled.g().FillRectangle(&texture, 0, 0, 8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(tiled.Px(x, y), (x + y) % 2 ? kGreen : kRed) << x << "," << y;
}

// ---------------------------------------------------------------------------
// Text

TEST_P(GdipDrawing, RotatedTextStandsUpright) {
  TGPFont font(QStringLiteral("DejaVu Sans"), 14, FontStyleBold, UnitPixel);
  TGPSolidBrush black(0xFF000000u);
  Surface plain(80, 80), rotated(80, 80);
  ASSERT_EQ(plain.g().DrawString(QStringLiteral("HHHH"), -1, &font, TGPPointF{5, 5}, &black), Ok);
  rotated.g().TranslateTransform(60, 5);
  rotated.g().RotateTransform(90);
  ASSERT_EQ(rotated.g().DrawString(QStringLiteral("HHHH"), -1, &font, TGPPointF{0, 0}, &black), Ok);
  const QRect a = plain.Ink(), b = rotated.Ink();
  EXPECT_GT(a.width(), 2 * a.height());
  EXPECT_GT(b.height(), 2 * b.width());
  EXPECT_NEAR(a.width(), b.height(), 2);
  EXPECT_GE(b.left(), 40);
  KeepPicture(plain.image(), QStringLiteral("text-plain"));
  KeepPicture(rotated.image(), QStringLiteral("text-rotated"));
}

TEST_P(GdipDrawing, TextIsMeasuredAndDrawnInCodeUnits) {
  TGPFont font(QStringLiteral("DejaVu Sans"), 12, FontStyleRegular, UnitPixel);
  TGPSolidBrush black(0xFF000000u);
  // Characters beyond the basic plane count two code units each.
  const QString text = QStringLiteral("A") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("B");
  ASSERT_EQ(text.size(), 4);
  Surface whole(80, 20), counted(80, 20), first(80, 20);
  const TGPRectF layout{0, 0, 80, 20};
  whole.g().DrawString(text, &font, layout, nullptr, &black);
  counted.g().DrawString(text, 4, &font, layout, nullptr, &black);
  first.g().DrawString(text, 1, &font, layout, nullptr, &black);
  EXPECT_EQ(whole.image(), counted.image());
  EXPECT_GT(whole.Ink().right(), first.Ink().right() + 8);

  TGPRectF one{}, two{};
  EXPECT_EQ(whole.g().MeasureString(QStringLiteral("WW"), -1, &font, TGPPointF{0, 0}, one), Ok);
  EXPECT_EQ(whole.g().MeasureString(QStringLiteral("WWWW"), -1, &font, layout, two), Ok);
  EXPECT_GT(two.Width, one.Width * 1.5f);
  TGPSizeF size{};
  INT fitted = 0, lines = 0;
  EXPECT_EQ(whole.g().MeasureString(QStringLiteral("one two three four"), -1, &font,
                                    TGPSizeF{40, 200}, nullptr, size, &fitted, &lines),
            Ok);
  EXPECT_GT(lines, 1);  // wrapped in a narrow box
  EXPECT_EQ(fitted, 18);
  EXPECT_LE(size.Width, 40.0f);

  // Centred in its box.
  Surface centred(80, 20);
  TGPStringFormat format;
  format.SetAlignment(StringAlignmentCenter);
  centred.g().DrawString(QStringLiteral("II"), -1, &font, layout, &format, &black);
  const QRect ink = centred.Ink();
  EXPECT_NEAR(ink.left() + ink.width() / 2.0, 40.0, 3.0);

  // The library draws no driver strings: the status says so.
  const UINT16 glyphs[2] = {'a', 'b'};
  const TGPPointF at[1] = {{0, 10}};
  EXPECT_EQ(centred.g().DrawDriverString(glyphs, 2, &font, &black, at, 1, nullptr), NotImplemented);
  EXPECT_EQ(centred.g().GetLastStatus(), NotImplemented);
}

// ---------------------------------------------------------------------------
// Images

// A 4 x 4 picture of four 2 x 2 quadrants: red, green / blue, yellow.
std::unique_ptr<TGPBitmap> Quadrants() {
  auto bitmap = std::make_unique<TGPBitmap>(4, 4, PixelFormat32bppARGB);
  const QRgb colors[2][2] = {{kRed, kGreen}, {kBlue, kYellow}};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) bitmap->SetPixel(x, y, colors[y / 2][x / 2]);
  return bitmap;
}

TEST_P(GdipDrawing, ImagesDrawAtPointsAndIntoRectangles) {
  std::unique_ptr<TGPBitmap> image = Quadrants();

  Surface atPoint;
  ASSERT_EQ(atPoint.g().DrawImage(image.get(), 3, 2), Ok);
  EXPECT_EQ(atPoint.Ink(), QRect(3, 2, 4, 4));
  EXPECT_EQ(atPoint.Px(3, 2), kRed);
  EXPECT_EQ(atPoint.Px(5, 2), kGreen);
  EXPECT_EQ(atPoint.Px(3, 4), kBlue);
  EXPECT_EQ(atPoint.Px(6, 5), kYellow);

  Surface stretched(16, 16);
  stretched.g().SetInterpolationMode(InterpolationModeNearestNeighbor);
  stretched.g().SetPixelOffsetMode(PixelOffsetModeHalf);
  ASSERT_EQ(stretched.g().DrawImage(image.get(), TGPRect{0, 0, 16, 16}), Ok);
  EXPECT_EQ(stretched.Px(2, 2), kRed);
  EXPECT_EQ(stretched.Px(13, 2), kGreen);
  EXPECT_EQ(stretched.Px(2, 13), kBlue);
  EXPECT_EQ(stretched.Px(13, 13), kYellow);
  EXPECT_EQ(stretched.Count(kRed), 64);
  KeepPicture(stretched.image(), QStringLiteral("image-stretched"));

  // Three points: the picture mirrored left to right.
  Surface mirrored(16, 16);
  mirrored.g().SetInterpolationMode(InterpolationModeNearestNeighbor);
  mirrored.g().SetPixelOffsetMode(PixelOffsetModeHalf);
  const TGPPointF corners[3] = {{16, 0}, {0, 0}, {16, 16}};
  ASSERT_EQ(mirrored.g().DrawImage(image.get(), corners, 3), Ok);
  EXPECT_EQ(mirrored.Px(2, 2), kGreen);
  EXPECT_EQ(mirrored.Px(13, 2), kRed);
  KeepPicture(mirrored.image(), QStringLiteral("image-mirrored"));

  // Two points are refused without a call; four the library refuses itself.
  Surface refused;
  EXPECT_EQ(refused.g().DrawImage(image.get(), corners, 2), InvalidParameter);
  EXPECT_EQ(refused.g().GetLastStatus(), InvalidParameter);
  const TGPPoint four[4] = {{0, 0}, {8, 0}, {0, 8}, {8, 8}};
  EXPECT_EQ(refused.g().DrawImage(image.get(), four, 4), NotImplemented);
  EXPECT_EQ(refused.g().GetLastStatus(), NotImplemented);
  EXPECT_TRUE(refused.Ink().isEmpty());

  // A part of the picture.
  Surface part;
  ASSERT_EQ(part.g().DrawImage(image.get(), 1, 1, 2, 2, 2, 2, UnitPixel), Ok);
  EXPECT_EQ(part.Ink(), QRect(1, 1, 2, 2));
  EXPECT_EQ(part.Px(1, 1), kYellow);

  // Through image attributes: the red quadrant keyed out, green turned blue.
  Surface keyed;
  TGPImageAttributes attributes;
  attributes.SetColorKey(kRed, kRed);
  const ColorMap map{kGreen, kBlue};
  attributes.SetRemapTable(1, &map);
  ASSERT_EQ(keyed.g().DrawImage(image.get(), TGPRect{0, 0, 4, 4}, 0, 0, 4, 4, UnitPixel,
                                &attributes),
            Ok);
  EXPECT_EQ(keyed.Px(0, 0), kWhite);
  EXPECT_EQ(keyed.Px(3, 0), kBlue);
  attributes.ClearColorKey();
  attributes.ClearRemapTable();
  Surface plain;
  plain.g().DrawImage(image.get(), TGPRectF{0, 0, 4, 4}, 0, 0, 4, 4, UnitPixel, &attributes);
  EXPECT_EQ(plain.Px(0, 0), kRed);
  EXPECT_EQ(plain.Px(3, 0), kGreen);

  // A cached bitmap draws unscaled where it is put.
  Surface cachedOn;
  TGPCachedBitmap cached(image.get(), &cachedOn.g());
  ASSERT_EQ(cached.GetLastStatus(), Ok);
  EXPECT_EQ(cachedOn.g().DrawCachedBitmap(&cached, 10, 12), Ok);
  EXPECT_EQ(cachedOn.Ink(), QRect(10, 12, 4, 4));
}

TEST_P(GdipDrawing, AColourMatrixReworksThePixels) {
  std::unique_ptr<TGPBitmap> image = Quadrants();
  TGPImageAttributes attributes;
  ColorMatrix swap{};  // red and blue exchanged
  swap.m[0][2] = 1;
  swap.m[1][1] = 1;
  swap.m[2][0] = 1;
  swap.m[3][3] = 1;
  swap.m[4][4] = 1;
  ASSERT_EQ(attributes.SetColorMatrix(swap), Ok);
  Surface s;
  s.g().DrawImage(image.get(), TGPRect{0, 0, 4, 4}, 0, 0, 4, 4, UnitPixel, &attributes);
  EXPECT_EQ(s.Px(0, 0), kBlue);
  EXPECT_EQ(s.Px(0, 3), kRed);
  EXPECT_EQ(s.Px(3, 0), kGreen);
}

// ---------------------------------------------------------------------------
// Device contexts shared with GDI

TEST_F(GdipDcDrawing, GdiAndGdiPlusDrawOnOneDeviceContext) {
  gditest::Canvas canvas(40, 30);
  RECT left{0, 0, 20, 30};
  HBRUSH blue = CreateSolidBrush(gditest::kBlue);
  FillRect(canvas.dc(), &left, blue);
  {
    TGPGraphics g(canvas.dc());
    ASSERT_EQ(g.GetLastStatus(), Ok);
    g.SetSmoothingMode(SmoothingModeAntiAlias);
    TGPSolidBrush red(kRed);
    ASSERT_EQ(g.FillEllipse(&red, 10, 5, 20, 20), Ok);
  }
  RECT corner{30, 0, 40, 5};
  HBRUSH green = CreateSolidBrush(gditest::kGreen);
  FillRect(canvas.dc(), &corner, green);  // GDI draws on after GDI+
  EXPECT_EQ(canvas.Px(2, 15), gditest::kBlue);    // GDI only
  EXPECT_EQ(canvas.Px(20, 15), gditest::kRed);    // GDI+ over GDI
  EXPECT_EQ(canvas.Px(25, 15), gditest::kRed);    // GDI+ over white
  EXPECT_EQ(canvas.Px(11, 6), gditest::kBlue);    // outside the ellipse
  EXPECT_EQ(canvas.Px(35, 2), gditest::kGreen);   // GDI after GDI+
  EXPECT_EQ(canvas.Px(35, 25), gditest::kWhite);
  const COLORREF rim = canvas.Px(10, 15);          // the rim mixes red into blue
  EXPECT_GT(GetRValue(rim), 0);
  EXPECT_GT(GetBValue(rim), 0);
  KeepPicture(canvas.image(), QStringLiteral("dc-shared"));
  DeleteObject(blue);
  DeleteObject(green);
}

TEST_F(GdipDcDrawing, TheDcsOriginAndClipCarryOver) {
  gditest::Canvas canvas(30, 30);
  SetViewportOrgEx(canvas.dc(), 10, 10, nullptr);
  IntersectClipRect(canvas.dc(), 0, 0, 8, 8);  // device (10, 10) .. (18, 18)
  TGPGraphics g(canvas.dc());
  TGPSolidBrush red(kRed);
  g.FillRectangle(&red, -50, -50, 200, 200);
  g.Flush();
  EXPECT_EQ(canvas.InkOf(gditest::kRed), QRect(10, 10, 8, 8));
  EXPECT_TRUE(g.IsVisible(1, 1));
  EXPECT_FALSE(g.IsVisible(9, 1));
}

TEST_F(GdipDcDrawing, TheGraphicsOfADcLendsADcOverTheSamePixels) {
  gditest::Canvas canvas(30, 20);
  SetViewportOrgEx(canvas.dc(), 5, 5, nullptr);
  TGPGraphics g(canvas.dc());
  TGPSolidBrush red(kRed);
  g.FillRectangle(&red, 0, 0, 4, 4);
  HDC lent = g.GetHDC();
  ASSERT_NE(lent, nullptr);
  EXPECT_EQ(g.GetLastStatus(), Ok);
  EXPECT_EQ(g.FillRectangle(&red, 10, 0, 2, 2), ObjectBusy);  // busy while lent
  HBRUSH blue = CreateSolidBrush(gditest::kBlue);
  RECT r{2, 2, 6, 6};
  EXPECT_NE(FillRect(lent, &r, blue), 0);  // GDI through the lent DC
  g.ReleaseHDC(lent);
  EXPECT_EQ(g.GetLastStatus(), ObjectBusy);  // the older failure is kept
  EXPECT_EQ(g.GetLastStatus(), Ok);
  EXPECT_EQ(g.FillRectangle(&red, 20, 0, 2, 2), Ok);
  g.Flush();
  EXPECT_EQ(canvas.Px(5, 5), gditest::kRed);
  EXPECT_EQ(canvas.Px(8, 8), gditest::kBlue);    // lent DC: origin of the graphics
  EXPECT_EQ(canvas.Px(10, 10), gditest::kBlue);
  EXPECT_EQ(canvas.Px(25, 5), gditest::kRed);
  EXPECT_EQ(canvas.Px(15, 5), gditest::kWhite);  // the busy fill drew nothing
  DeleteObject(blue);

  // A graphics of a bitmap has no DC of the layer to lend.
  Surface s(20, 20, kWhite, Backing::Bitmap);
  EXPECT_EQ(s.g().GetHDC(), nullptr);
  EXPECT_EQ(s.g().GetLastStatus(), NotImplemented);
}

}  // namespace
}  // namespace gdiptest
