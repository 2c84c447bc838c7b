// The grid's drawing routines on bitmaps: gradients, the selection frame,
// colour arithmetic, indicators, shapes, the focus glow's blur and mask.

#include <gtest/gtest.h>

#include <QImage>
#include <set>

#include "grid/model/KitGridDraw.h"
#include "grid/model/KitGridShadow.h"
#include "platform/rtl/SysUtils.h"
#include "tests/support/PixelProbes.h"
#include "tests/support/TestSupport.h"

namespace {

// A white 24-bit bitmap to draw on.
std::unique_ptr<TBitmap> Sheet(int W, int H) {
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetPixelFormat(pf24bit);
  bmp->SetSize(W, H);
  bmp->Canvas()->Brush()->SetColor(clWhite);
  bmp->Canvas()->FillRect(TRect(0, 0, W, H));
  return bmp;
}

uint32_t At(TBitmap& B, int X, int Y) { return probe::BgrAt(B.ToImage(), X, Y); }

}  // namespace

TEST(KitGridDraw, GradientBandsFollowStepsAndLength) {
  struct Case {
    int Height;
    int Steps;
    int Bands;  // distinct colours from top to bottom
  };
  const Case cases[] = {{5, 16, 5}, {5, 1, 2}, {100, 4, 5}, {20, 64, 20}};
  for (const Case& c : cases) {
    auto bmp = Sheet(10, c.Height);
    FillGradientRect(bmp->Canvas(), 0x000000, 0xFF0000, false, TRect(0, 0, 10, c.Height), c.Steps);
    const QImage img = bmp->ToImage();
    std::set<uint32_t> colours;
    for (int y = 0; y < c.Height; ++y) colours.insert(probe::BgrAt(img, 5, y));
    EXPECT_EQ(int(colours.size()), c.Bands) << "height " << c.Height << " steps " << c.Steps;
    EXPECT_EQ(probe::BgrAt(img, 5, 0), 0x000000u);
    EXPECT_EQ(probe::BgrAt(img, 5, c.Height - 1), 0xFF0000u) << "the last band has the end colour";
    // Every row is one colour across.
    for (int y = 0; y < c.Height; ++y) EXPECT_EQ(probe::BgrAt(img, 0, y), probe::BgrAt(img, 9, y));
  }
}

TEST(KitGridDraw, GradientWithOneColourOrOnePixelFillsPlainly) {
  auto bmp = Sheet(12, 12);
  FillGradientRect(bmp->Canvas(), clNone, 0x0000FF, false, TRect(0, 0, 12, 6), 16);
  EXPECT_EQ(probe::Count(bmp->ToImage(), probe::IsBgr(0x0000FF), QRect(0, 0, 12, 6)), 72);
  // A rectangle one pixel high has no length to spread two colours over.
  FillGradientRect(bmp->Canvas(), 0x00FF00, 0xFF0000, false, TRect(0, 8, 12, 9), 16);
  EXPECT_EQ(probe::Count(bmp->ToImage(), probe::IsBgr(0x00FF00), QRect(0, 8, 12, 1)), 12);
  // Horizontal: the columns carry the colours.
  FillGradientRect(bmp->Canvas(), 0x000000, 0xFFFFFF, true, TRect(0, 10, 12, 12), 64);
  EXPECT_EQ(At(*bmp, 0, 10), 0x000000u);
  EXPECT_EQ(At(*bmp, 11, 11), 0xFFFFFFu);
}

TEST(KitGridDraw, MirrorGradientHalvesAndBorder) {
  auto bmp = Sheet(20, 40);
  FillMirrorGradientRect(bmp->Canvas(), TRect(0, 0, 20, 40), 0x0000FF, true, false, 0x000000, true, 0xFF0000,
                         0x00FF00, 0x00FFFF);
  // Upper half from red towards yellow, lower half from green to blue;
  // the frame is black.
  EXPECT_EQ(At(*bmp, 0, 0), 0x000000u);
  // Row 1 is the second of 19 bands from red to yellow.
  EXPECT_TRUE(probe::Near(bmp->ToImage().pixel(10, 1), qRgb(255, 0, 0), 16));
  EXPECT_TRUE(probe::Near(bmp->ToImage().pixel(10, 19), qRgb(255, 255, 0), 20));
  EXPECT_EQ(At(*bmp, 10, 20), 0x00FF00u);
  EXPECT_TRUE(probe::Near(bmp->ToImage().pixel(10, 38), qRgb(0, 0, 255), 20));
  EXPECT_EQ(At(*bmp, 19, 20), 0x000000u);
}

TEST(KitGridDraw, SelectionFrameCornersEdgesAndFill) {
  // A 30 x 20 cell: the drawing rectangle ends at x = 28, y = 17.
  const TColor fill = 0x00FFFF, outer = 0x0000FF, corner = 0x00FF00, innerCorner = 0xFF0000, upper = 0xFFFF00,
               lower = 0xFF00FF, background = 0x808080;
  (void)corner;
  struct Case {
    int Part;
    bool Left;
    bool Right;
  };
  for (const Case& c : {Case{0, true, true}, Case{1, true, false}, Case{2, false, true}, Case{3, false, false}}) {
    auto bmp = Sheet(30, 20);
    DrawSelectionFrame(bmp->Canvas(), fill, clNone, c.Part, TRect(0, 0, 30, 20), background, innerCorner, outer,
                       lower, upper, clNone, clNone);
    const QImage img = bmp->ToImage();
    SCOPED_TRACE(c.Part);
    // The top outline runs between the rounded corners.
    EXPECT_EQ(probe::BgrAt(img, 14, 0), uint32_t(outer));
    EXPECT_EQ(probe::BgrAt(img, 14, 17), uint32_t(outer));
    EXPECT_EQ(probe::BgrAt(img, 14, 1), uint32_t(upper));
    EXPECT_EQ(probe::BgrAt(img, 14, 16), uint32_t(lower));
    EXPECT_EQ(probe::BgrAt(img, 14, 8), uint32_t(fill));
    // Left edge only for a single cell and the left end.
    EXPECT_EQ(probe::BgrAt(img, 0, 8) == uint32_t(outer), c.Left);
    EXPECT_EQ(probe::BgrAt(img, 0, 0) == uint32_t(background), c.Left);
    if (c.Left) {
      EXPECT_EQ(probe::BgrAt(img, 1, 0), uint32_t(innerCorner));
      EXPECT_EQ(probe::BgrAt(img, 1, 1), uint32_t(innerCorner));
      EXPECT_EQ(probe::BgrAt(img, 1, 4), uint32_t(upper));
      EXPECT_EQ(probe::BgrAt(img, 1, 14), uint32_t(lower));
    }
    EXPECT_EQ(probe::BgrAt(img, 28, 8) == uint32_t(outer), c.Right);
    EXPECT_EQ(probe::BgrAt(img, 28, 17) == uint32_t(background), c.Right);
    // Nothing below the drawing rectangle.
    EXPECT_EQ(probe::BgrAt(img, 14, 19), 0xFFFFFFu);
  }
}

TEST(KitGridDraw, ColourArithmetic) {
  EXPECT_EQ(InterpolateColor(0x102030, clNone, 0, 5, 10), 0x102030);
  EXPECT_EQ(InterpolateColor(0x000000, 0x0000FF, 0, 5, 10), 0x000080);
  EXPECT_EQ(InterpolateColor(0x000000, 0x0000FF, 0, 10, 10), 0x0000FF);
  EXPECT_EQ(InterpolateColor(0x000010, 0x0000FF, 3, 1, 3), 0x000010) << "no range: the first colour";
  EXPECT_EQ(HalfBrightColor(0xFF8040), 0x7F4020);
  EXPECT_EQ(ChangeColorPercent(0x646464, -10), 0x5A5A5A);
  EXPECT_EQ(ChangeColorPercent(0x000000, -20), 0x000000);
  struct Mix {
    TColor A, B;
    int Percent;
    TColor Result;
  };
  const Mix mixes[] = {{0xFF0000, 0x0000FF, 100, 0xFF0000}, {0xFF0000, 0x0000FF, 0, 0x0000FF},
                       {clNone, 0x0000FF, 50, 0x0000FF},   {0xFF0000, clNone, 50, 0xFF0000},
                       {0xFF0000, 0x0000FF, 50, 0x800080}, {0xC8C8FF, 0xEACAB6, 50, 0xD9C9DA}};
  for (const Mix& m : mixes) EXPECT_EQ(MixColorPercent(m.A, m.B, m.Percent), m.Result) << m.Percent;
  EXPECT_EQ(MixSelectionColor(0x123456, 0xFFFFFF, false, 50), 0x123456);
}

TEST(KitGridDraw, RangeIndicatorLimitsItsValue) {
  // Inset 2: the bar area is x 2..37, middle 20, half width 18.
  struct Case {
    int Value, Range;
    int From, To;  // coloured columns (To exclusive); none when equal
    TColor Colour;
  };
  const Case cases[] = {{150, 100, 20, 38, 0x00FF00}, {-150, 100, 2, 20, 0x0000FF},
                        {50, 100, 20, 29, 0x00FF00},  {7, 0, 20, 20, 0x00FF00}};
  for (const Case& c : cases) {
    auto bmp = Sheet(40, 10);
    DrawRangeIndicator(bmp->Canvas(), TRect(0, 0, 40, 10), c.Value, 0x00FF00, 0x0000FF, false, c.Range);
    const QImage img = bmp->ToImage();
    EXPECT_EQ(probe::Count(img, probe::IsBgr(uint32_t(c.Colour)), QRect(0, 5, 40, 1)), c.To - c.From)
        << c.Value << "/" << c.Range;
    if (c.To > c.From) {
      EXPECT_EQ(probe::BgrAt(img, c.From, 5), uint32_t(c.Colour));
      EXPECT_EQ(probe::BgrAt(img, c.To - 1, 5), uint32_t(c.Colour));
    }
  }
}

TEST(KitGridDraw, ProgressBarText) {
  struct Case {
    QString Format;
    int Divider, Max, Min;
    double Value;
    QString Text;
    int Percent;
  };
  const Case cases[] = {{"%d items", 10, 1000, 0, 250, "25 items", 25},
                        {"%.1f", 1, 100, 0, 12.34, "12.3", 12},
                        {"", 1, 100, 0, 42.4, "42%", 42},
                        {"", 1, 100, 0, 150, "150%", 100},
                        {"%d", 0, 10, 10, 5, "5", 0}};
  for (const Case& c : cases) {
    int percent = -1;
    EXPECT_EQ(ProgressBarText(c.Format, c.Divider, c.Max, c.Min, c.Value, percent), c.Text) << c.Format.toStdString();
    EXPECT_EQ(percent, c.Percent) << c.Format.toStdString();
  }
}

TEST(KitGridDraw, ShapesTakeTheirSizes) {
  // A circle of 20 x 10 is a circle of diameter 10.
  auto bmp = Sheet(30, 30);
  DrawCellShape(bmp->Canvas(), 2, 2, 0x000000, 0x0000FF, csCircle, 10, 20);
  const QRect box = probe::Box(bmp->ToImage(), probe::NotBgr(0xFFFFFF));
  EXPECT_EQ(box.width(), 10);
  EXPECT_EQ(box.height(), 10);
  // Polygons: their vertices.
  EXPECT_EQ(CellShapePoints(0, 0, csTriangleUp, 10, 20), (QVector<TPoint>{TPoint(0, 10), TPoint(20, 10), TPoint(10, 0)}));
  EXPECT_EQ(CellShapePoints(0, 0, csStar, 20, 20).size(), 10);
  EXPECT_EQ(CellShapePoints(0, 0, csHalfStar, 20, 20).size(), 6);
  EXPECT_EQ(CellShapePoints(0, 0, csStar, 20, 20).front(), TPoint(10, 0));
  // A triangle pointing down is filled in the brush colour.
  auto tri = Sheet(30, 30);
  DrawCellShape(tri->Canvas(), 0, 0, 0x000000, 0x00FF00, csTriangleDown, 20, 20);
  EXPECT_EQ(At(*tri, 10, 5), 0x00FF00u);
  EXPECT_EQ(At(*tri, 2, 18), 0xFFFFFFu);
}

TEST(KitGridDraw, BlurKernelAndErrors) {
  for (double radius : {0.5, 1.0, 3.0, 10.0}) {
    const std::vector<double> k = BlurKernel(radius);
    double sum = 0;
    for (double v : k) sum += v;
    EXPECT_NEAR(sum, 1.0, 1e-9) << radius;
    EXPECT_EQ(k.size() % 2, 1u);
    EXPECT_LE(k.size(), 21u);
  }
  // Wider radii keep more weights.
  EXPECT_LT(BlurKernel(1).size(), BlurKernel(3).size());
  TBitmap bmp(8, 8);
  bmp.SetPixelFormat(pf32bit);
  EXPECT_EQ(testsupport::RaisedMessage([&] { BlurBitmap(&bmp, 3); }), QStringLiteral("Blur only works for 24-bit bitmaps"));
}

TEST(KitGridDraw, BlurredShadowAndMask) {
  // Radius 0: the outline as drawn, white on black.
  TBitmap shadow;
  DrawBlurredShadow(&shadow, 40, 30, 0, 5, 4);
  EXPECT_EQ(shadow.PixelFormat(), pf24bit);
  EXPECT_EQ(At(shadow, 20, 4), 0xFFFFFFu) << "outline along the top";
  EXPECT_EQ(At(shadow, 20, 15), 0x000000u) << "inside stays black";
  EXPECT_EQ(At(shadow, 0, 0), 0x000000u);
  // Blurred: the outline softens, the far inside stays dark.
  TBitmap blurred;
  DrawBlurredShadow(&blurred, 40, 30, 3, 5, 4);
  const uint32_t edge = At(blurred, 20, 4) & 0xFF;
  EXPECT_GT(edge, 0x40u);
  EXPECT_LT(edge, 0xFFu);
  EXPECT_GT(At(blurred, 20, 1) & 0xFF, 0u) << "the blur spreads outwards";

  // The mask: alpha from the shadow's red channel, colours premultiplied.
  TBitmap colour;
  colour.SetPixelFormat(pf24bit);
  colour.SetSize(40, 30);
  colour.Canvas()->Brush()->SetColor(0xFDD397);
  colour.Canvas()->FillRect(TRect(0, 0, 40, 30));
  TGridAlphaMask mask;
  mask.MergeMask(&shadow, &colour, clNone);
  ASSERT_EQ(mask.Width(), 40);
  const auto* line = static_cast<const uint8_t*>(mask.ScanLine(4));
  EXPECT_EQ(line[20 * 4 + 3], 255);
  // Blue, green, red of 0xFDD397 at full alpha.
  EXPECT_EQ(line[20 * 4 + 0], 0xFD);
  EXPECT_EQ(line[20 * 4 + 2], 0x97);
  const auto* inner = static_cast<const uint8_t*>(mask.ScanLine(15));
  EXPECT_EQ(inner[20 * 4 + 3], 0);
  EXPECT_EQ(inner[20 * 4 + 2], 0) << "premultiplied: no colour without alpha";
  // A 32-bit colour bitmap leaves the mask as it was.
  TBitmap wide(5, 5);
  wide.SetPixelFormat(pf32bit);
  mask.MergeMask(&shadow, &wide, clNone);
  EXPECT_EQ(mask.Width(), 40);
  mask.SetOpacity(230);
  TGridAlphaMask copy;
  copy.Assign(&mask);
  EXPECT_EQ(copy.Opacity(), 230);
  EXPECT_EQ(static_cast<const uint8_t*>(copy.ScanLine(4))[20 * 4 + 3], 255);
}
