// DrawRoundGradient: band gradients on a canvas, rounded corners, and what
// it leaves alone.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "foundation/KitGraphicsTypes.h"
#include "tests/support/PixelProbes.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr TColor kMarker = 0x00FF00;  // what the bitmap holds before drawing

// A bitmap filled with the marker colour.
class Surface {
 public:
  explicit Surface(int AWidth = 64, int AHeight = 40) {
    FBitmap.SetPixelFormat(pf24bit);
    FBitmap.SetSize(AWidth, AHeight);
    TCanvas* c = FBitmap.Canvas();
    c->Brush()->SetColor(kMarker);
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(TRect(0, 0, AWidth, AHeight));
  }
  TCanvas* Canvas() { return FBitmap.Canvas(); }
  TColor Px(int X, int Y) { return FBitmap.Canvas()->Pixels(X, Y) & 0xFFFFFF; }
  int Width() const { return FBitmap.Width(); }
  int Height() const { return FBitmap.Height(); }
  int Count(TColor Color) { return probe::Count(FBitmap.ToImage(), probe::IsBgr(uint32_t(Color))); }
  // The box of the pixels of that colour.
  QRect BoxOf(TColor Color) { return probe::Box(FBitmap.ToImage(), probe::IsBgr(uint32_t(Color))); }

 private:
  TBitmap FBitmap;
};

int Red(TColor C) { return C & 0xFF; }
int Blue(TColor C) { return (C >> 16) & 0xFF; }

// The cut of the band at distance d from the side of a rounded corner.
int Cut(int r, int d) { return int(Round(r - std::sqrt(double(r * r - (r - d) * (r - d))))); }

const TRect kArea(4, 3, 4 + 50, 3 + 30);

TEST(KitRoundGradientTest, HorizontalAndVerticalBandsRunFromOneColourTowardsTheOther) {
  for (bool horizontal : {true, false}) {
    SCOPED_TRACE(horizontal ? "horizontal" : "vertical");
    Surface s;
    DrawRoundGradient(s.Canvas(), clRed, clBlue, kArea, 0, TKitGraphicsCorners(), horizontal);
    const int steps = horizontal ? kArea.Width() : kArea.Height();
    // Pixel of band u at position v across the band.
    auto at = [&](int u, int v) {
      return horizontal ? s.Px(kArea.Left + u, kArea.Top + v) : s.Px(kArea.Left + v, kArea.Top + u);
    };
    const int across = horizontal ? kArea.Height() : kArea.Width();
    EXPECT_EQ(at(0, 0), clRed);
    // The last band stops one step short of the target colour.
    EXPECT_NEAR(Red(at(steps - 1, 0)), 255.0 / steps, 1.0);
    EXPECT_NEAR(Blue(at(steps - 1, 0)), 255.0 - 255.0 / steps, 1.0);
    EXPECT_EQ((at(steps - 1, 0) >> 8) & 0xFF, 0);
    for (int u = 1; u < steps; ++u) {
      EXPECT_LE(Red(at(u, 0)), Red(at(u - 1, 0))) << u;
      EXPECT_GE(Blue(at(u, 0)), Blue(at(u - 1, 0))) << u;
      EXPECT_EQ(at(u, across - 1), at(u, 0)) << u;  // one colour across each band
    }
    // Nothing outside the rectangle.
    EXPECT_EQ(s.Count(kMarker), s.Width() * s.Height() - kArea.Width() * kArea.Height());
  }
}

TEST(KitRoundGradientTest, OneColourGivesASolidFill) {
  Surface s;
  DrawRoundGradient(s.Canvas(), 0x336699, 0x336699, kArea, 0, TKitGraphicsCorners(), false);
  EXPECT_EQ(s.Count(0x336699), kArea.Width() * kArea.Height());
  // System colours are resolved; clNone reads as white, -1 as the system
  // colour it encodes.
  const struct {
    TColor Color;
    TColor Painted;
  } cases[] = {{clBtnFace, ColorToRGB(clBtnFace)}, {clNone, clWhite}, {TColor(-1), ColorToRGB(-1) & 0xFFFFFF}};
  for (const auto& c : cases) {
    Surface t;
    DrawRoundGradient(t.Canvas(), c.Color, c.Color, kArea, 0, TKitGraphicsCorners(), true);
    EXPECT_EQ(t.Px(kArea.Left, kArea.Top), c.Painted) << std::hex << c.Color;
    EXPECT_EQ(t.Count(c.Painted), kArea.Width() * kArea.Height()) << std::hex << c.Color;
  }
}

TEST(KitRoundGradientTest, EachRoundedCornerIsCutTheOthersStaySquare) {
  const TRect r = kArea;
  const TPoint corners[] = {{r.Left, r.Top}, {r.Right - 1, r.Top}, {r.Left, r.Bottom - 1}, {r.Right - 1, r.Bottom - 1}};
  const TKitGraphicsCorner kinds[] = {gcTopLeft, gcTopRight, gcBottomLeft, gcBottomRight};
  for (bool horizontal : {true, false}) {
    for (int i = 0; i < 4; ++i) {
      SCOPED_TRACE(testing::Message() << (horizontal ? "horizontal " : "vertical ") << i);
      Surface s;
      DrawRoundGradient(s.Canvas(), 0x202020, 0x202020, r, 6, TKitGraphicsCorners{kinds[i]}, horizontal);
      for (int j = 0; j < 4; ++j) {
        EXPECT_EQ(s.Px(corners[j].X, corners[j].Y), j == i ? kMarker : 0x202020) << j;
      }
      // The centre is always painted.
      EXPECT_EQ(s.Px(r.Left + r.Width() / 2, r.Top + r.Height() / 2), 0x202020);
    }
  }
  // Without corners, or with a radius of 0, all four corners are square.
  const TKitGraphicsCorners all{gcTopLeft, gcTopRight, gcBottomLeft, gcBottomRight};
  for (const auto& [radius, set] : {std::pair{6, TKitGraphicsCorners()}, std::pair{0, all}, std::pair{-3, all}}) {
    Surface s;
    DrawRoundGradient(s.Canvas(), 0x202020, 0x202020, r, radius, set, true);
    EXPECT_EQ(s.Count(0x202020), r.Width() * r.Height()) << radius;
  }
}

TEST(KitRoundGradientTest, CornerBandsAreShortenedAlongTheArc) {
  const int radius = 5;
  const TKitGraphicsCorners all{gcTopLeft, gcTopRight, gcBottomLeft, gcBottomRight};
  const TRect r = kArea;
  // Horizontal: columns; the first painted row of column u from the top,
  // and the last from the bottom.
  {
    Surface s;
    DrawRoundGradient(s.Canvas(), 0x404040, 0x404040, r, radius, all, true);
    const int e = r.Width();
    for (int u = 0; u < e; ++u) {
      int cut = 0;
      if (u <= radius) cut = Cut(radius, u);
      if (u >= e - radius) cut = std::max(cut, Cut(radius, e - u));
      const int x = r.Left + u;
      EXPECT_EQ(s.Px(x, r.Top + cut), 0x404040) << u;
      EXPECT_EQ(s.Px(x, r.Bottom - 1 - cut), 0x404040) << u;
      if (cut > 0) {
        EXPECT_EQ(s.Px(x, r.Top + cut - 1), kMarker) << u;
        EXPECT_EQ(s.Px(x, r.Bottom - cut), kMarker) << u;
      }
    }
  }
  // Vertical: rows, cut at both ends near the top and the bottom.
  {
    Surface s;
    DrawRoundGradient(s.Canvas(), 0x404040, 0x404040, r, radius, all, false);
    const int e = r.Height();
    for (int u = 0; u < e; ++u) {
      int cut = 0;
      if (u <= radius) cut = Cut(radius, u);
      if (u >= e - radius) cut = std::max(cut, Cut(radius, e - u));
      const int y = r.Top + u;
      EXPECT_EQ(s.Px(r.Left + cut, y), 0x404040) << u;
      EXPECT_EQ(s.Px(r.Right - 1 - cut, y), 0x404040) << u;
      if (cut > 0) {
        EXPECT_EQ(s.Px(r.Left + cut - 1, y), kMarker) << u;
        EXPECT_EQ(s.Px(r.Right - cut, y), kMarker) << u;
      }
    }
  }
}

TEST(KitRoundGradientTest, EmptyAndInvertedRectanglesDrawNothing) {
  const TKitGraphicsCorners all{gcTopLeft, gcTopRight, gcBottomLeft, gcBottomRight};
  const TRect cases[] = {TRect(10, 10, 10, 30), TRect(10, 10, 40, 10), TRect(40, 10, 10, 30), TRect(10, 30, 40, 10),
                         TRect(0, 0, 0, 0)};
  for (const TRect& rc : cases) {
    for (bool horizontal : {true, false}) {
      Surface s;
      DrawRoundGradient(s.Canvas(), clRed, clBlue, rc, 4, all, horizontal);
      EXPECT_EQ(s.Count(kMarker), s.Width() * s.Height()) << rc.Left << "," << rc.Top << "," << rc.Right << ","
                                                         << rc.Bottom;
    }
  }
  DrawRoundGradient(nullptr, clRed, clBlue, kArea, 4, all, true);  // no canvas: nothing
  // A radius larger than the rectangle cuts bands away entirely near the
  // corners and keeps the rest inside the rectangle.
  for (bool horizontal : {true, false}) {
    Surface s;
    const TRect rc(2, 10, 62, 20);
    DrawRoundGradient(s.Canvas(), clRed, clRed, rc, 40, all, horizontal);
    const int painted = s.Count(clRed);
    EXPECT_GT(painted, 0);
    EXPECT_LT(painted, rc.Width() * rc.Height());
    EXPECT_EQ(s.Count(kMarker) + painted, s.Width() * s.Height());
    const QRect red = s.BoxOf(clRed);
    EXPECT_TRUE(QRect(rc.Left, rc.Top, rc.Width(), rc.Height()).contains(red))
        << red.x() << "," << red.y() << " " << red.width() << "x" << red.height();
  }
}

TEST(KitRoundGradientTest, PenAndBrushComeBackAsTheyWere) {
  Surface s;
  TCanvas* c = s.Canvas();
  c->Pen()->SetColor(0x123456);
  c->Pen()->SetStyle(psDash);
  c->Brush()->SetColor(0x654321);
  c->Brush()->SetStyle(bsClear);
  DrawRoundGradient(c, clRed, clBlue, kArea, 3, TKitGraphicsCorners{gcTopLeft}, true);
  EXPECT_EQ(c->Pen()->Color(), 0x123456);
  EXPECT_EQ(c->Pen()->Style(), psDash);
  EXPECT_EQ(c->Brush()->Color(), 0x654321);
  EXPECT_EQ(c->Brush()->Style(), bsClear);
}

// Touching bands of one colour are drawn as one rectangle: the pixels are
// those of drawing every band on its own (here with FillRect, band by band,
// from the same arithmetic), over sizes, radii, corner sets, both
// directions, solid fills and gradients whose neighbouring bands share a
// colour.
TEST(KitRoundGradientTest, MergedBandsPaintWhatTheSingleBandsPaint) {
  const TKitGraphicsCorners sets[] = {TKitGraphicsCorners{gcTopLeft, gcTopRight, gcBottomLeft, gcBottomRight},
                                      TKitGraphicsCorners{gcTopLeft, gcBottomRight}, TKitGraphicsCorners()};
  const std::pair<TColor, TColor> colours[] = {{0x336699, 0x336699}, {0x101010, 0x181818}, {clRed, clBlue}};
  int compared = 0;
  for (bool horizontal : {true, false})
    for (const TKitGraphicsCorners& corners : sets)
      for (const auto& [from, to] : colours)
        for (int w : {1, 2, 5, 22, 40})
          for (int h : {1, 3, 14, 30})
            for (int radius : {0, 1, 4, 9}) {
              const TRect area(3, 2, 3 + w, 2 + h);
              Surface drawn(48, 36), bands(48, 36);
              DrawRoundGradient(drawn.Canvas(), from, to, area, radius, corners, horizontal);
              // The reference: one FillRect per band.
              const int extent = horizontal ? w : h;
              TCanvas* c = bands.Canvas();
              for (int u = 0; u < extent; ++u) {
                auto channel = [&](int shift) {
                  const int a = (from >> shift) & 0xFF, b = (to >> shift) & 0xFF;
                  return TColor(std::clamp<Int64>(a + Round(u * (double(b - a) / extent)), 0, 255) << shift);
                };
                int low = 0, high = 0;
                const bool nearCorner = horizontal ? corners.Contains(gcTopLeft) || corners.Contains(gcBottomLeft)
                                                   : corners.Contains(gcTopLeft) || corners.Contains(gcTopRight);
                const bool farCorner = horizontal ? corners.Contains(gcTopRight) || corners.Contains(gcBottomRight)
                                                  : corners.Contains(gcBottomLeft) || corners.Contains(gcBottomRight);
                if (u <= radius && nearCorner) {
                  if (corners.Contains(gcTopLeft)) low = std::max(low, Cut(radius, u));
                  if (corners.Contains(horizontal ? gcBottomLeft : gcTopRight)) high = std::max(high, Cut(radius, u));
                }
                if (u >= extent - radius && farCorner) {
                  if (corners.Contains(horizontal ? gcTopRight : gcBottomLeft))
                    low = std::max(low, Cut(radius, extent - u));
                  if (corners.Contains(gcBottomRight)) high = std::max(high, Cut(radius, extent - u));
                }
                const TRect r = horizontal ? TRect(area.Left + u, area.Top + low, area.Left + u + 1, area.Bottom - high)
                                           : TRect(area.Left + low, area.Top + u, area.Right - high, area.Top + u + 1);
                if (r.Right <= r.Left || r.Bottom <= r.Top) continue;
                c->Brush()->SetColor(channel(0) | channel(8) | channel(16));
                c->FillRect(r);
              }
              for (int y = 0; y < 36; ++y)
                for (int x = 0; x < 48; ++x)
                  ASSERT_EQ(drawn.Px(x, y), bands.Px(x, y))
                      << (horizontal ? "horizontal " : "vertical ") << w << " x " << h << ", radius " << radius
                      << ", colours " << std::hex << from << "-" << to << std::dec << ", at " << x << "," << y;
              ++compared;
            }
  EXPECT_EQ(compared, 2 * 3 * 3 * 5 * 4 * 4);
}

}  // namespace
