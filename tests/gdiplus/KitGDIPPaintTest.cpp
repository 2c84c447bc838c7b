// Pixel probes of the static GDI+ wrappers: on small premultiplied bitmaps
// and on a device context that GDI draws into as well.

#include <gtest/gtest.h>

#include <QImage>

#include <memory>

#include "gdiplus/KitGDIP.h"
#include "tests/gdiplus/GdipFixtures.h"

using namespace KitGDIP;
using namespace gdipfixtures;

namespace {

const QColor kRed(255, 0, 0), kGreen(0, 255, 0), kBlue(0, 0, 255), kWhite(255, 255, 255);
const QColor kClear = QColor::fromRgba(0);

// The bounding box of pixels that are not the background.
QRect Ink(const QImage& image, QColor background) { return probe::Box(image, probe::FarFrom(background.rgba(), 40)); }

TEST(KitGDIPPaint, FillsStayInsideTheirRectangleAndClipsAndTransformsApply) {
  TPargbSurface c(40, 20);
  TGPSolidBrush red(0xFFFF0000);
  ASSERT_EQ(c.graphics.FillRectangle(&red, TGPRectF{5, 5, 10, 10}), Ok);
  EXPECT_EQ(c.At(5, 5), kRed);
  EXPECT_EQ(c.At(14, 14), kRed);
  EXPECT_EQ(c.At(4, 5), kClear);
  EXPECT_EQ(c.At(15, 14), kClear);

  // A clip keeps the left half; an excluded rectangle stays untouched.
  TGPSolidBrush green(0xFF00FF00);
  c.graphics.SetClip(TGPRectF{20, 0, 10, 20});
  c.graphics.ExcludeClip(TGPRectF{20, 0, 2, 2});
  c.graphics.FillRectangle(&green, TGPRectF{0, 0, 40, 20});
  c.graphics.ResetClip();
  EXPECT_EQ(c.At(25, 10), kGreen);
  EXPECT_EQ(c.At(18, 10), kClear);
  EXPECT_EQ(c.At(31, 10), kClear);
  EXPECT_EQ(c.At(20, 0), kClear) << "excluded corner";

  // A translation moves the fill, a rotation turns it about the origin.
  TGPSolidBrush blue(0xFF0000FF);
  c.graphics.TranslateTransform(32, 2);
  c.graphics.FillRectangle(&blue, TGPRectF{0, 0, 4, 4});
  c.graphics.ResetTransform();
  EXPECT_EQ(c.At(33, 3), kBlue);
  EXPECT_EQ(c.At(1, 1), kClear);
  c.graphics.TranslateTransform(10, 16);
  c.graphics.RotateTransform(-90);  // x runs up the surface
  c.graphics.FillRectangle(&blue, TGPRectF{0, 0, 3, 1});
  c.graphics.ResetTransform();
  EXPECT_EQ(c.At(10, 14), kBlue);
  EXPECT_EQ(c.At(12, 15), kClear);
  c.Image().save(PictureFolder() + "/wrappers-fills.png");
}

TEST(KitGDIPPaint, PenDashesBreakTheLineAndSolidPensDoNot) {
  const auto gaps = [](DashStyle style) {
    TPargbSurface c(60, 5);
    TGPPen pen(0xFF000000, 1);
    pen.SetDashStyle(style);
    c.graphics.DrawLine(&pen, 0, 2.5f, 60, 2.5f);
    int changes = 0;
    bool inked = c.At(0, 2).alpha() > 128;
    for (int x = 1; x < 60; ++x) {
      const bool now = c.At(x, 2).alpha() > 128;
      if (now != inked) ++changes;
      inked = now;
    }
    return changes;
  };
  EXPECT_EQ(gaps(DashStyleSolid), 0);
  EXPECT_GE(gaps(DashStyleDash), 6);
  EXPECT_GT(gaps(DashStyleDot), gaps(DashStyleDash));
}

TEST(KitGDIPPaint, LinearAndPathGradientsRunFromTheirStartToTheirEndColours) {
  TPargbSurface c(40, 40);
  TGPLinearGradientBrush linear(TGPRectF{0, 0, 40, 20}, 0xFF000000, 0xFFFFFFFF, LinearGradientModeHorizontal);
  c.graphics.FillRectangle(&linear, TGPRectF{0, 0, 40, 20});
  int previous = -1;
  for (int x = 0; x < 40; x += 4) {
    const int v = c.At(x, 10).red();
    EXPECT_GE(v, previous) << "non-decreasing at " << x;
    previous = v;
  }
  EXPECT_LT(c.At(0, 10).red(), 20);
  EXPECT_GT(c.At(39, 10).red(), 235);

  TGPGraphicsPath ellipse;
  ellipse.AddEllipse(0, 20, 40, 20);
  TGPPathGradientBrush radial(&ellipse);
  radial.SetCenterColor(0xFFFF0000);
  int count = 1;
  const ARGB surround = 0xFF0000FF;
  ASSERT_EQ(radial.SetSurroundColors(&surround, count), Ok);
  c.graphics.FillPath(&radial, &ellipse);
  const QColor centre = c.At(20, 30), edge = c.At(3, 30);
  EXPECT_GT(centre.red(), 200);
  EXPECT_GT(edge.blue(), edge.red());
  c.Image().save(PictureFolder() + "/wrappers-gradients.png");
}

TEST(KitGDIPPaint, RotatedTextRunsDownInsteadOfAcross) {
  const auto inkOf = [](bool rotated) {
    TPargbSurface c(80, 80);
    c.graphics.Clear(0xFFFFFFFF);
    TGPFont font(QStringLiteral("DejaVu Sans"), 14, TFontStyles(), UnitPixel);
    TGPSolidBrush black(0xFF000000);
    if (rotated) {
      c.graphics.TranslateTransform(50, 5);
      c.graphics.RotateTransform(90);
    } else {
      c.graphics.TranslateTransform(5, 30);
    }
    c.graphics.DrawString(u"HHHHH", -1, &font, TGPPointF{0, 0}, &black);
    return Ink(c.Image(), kWhite);
  };
  const QRect across = inkOf(false), down = inkOf(true);
  ASSERT_FALSE(across.isEmpty());
  ASSERT_FALSE(down.isEmpty());
  EXPECT_GT(across.width(), 2 * across.height());
  EXPECT_GT(down.height(), 2 * down.width());
}

TEST(KitGDIPPaint, ImagesAreDrawnAtPointsInTheirSizeAndStretchedIntoRectangles) {
  TGPImage image(Png(Quadrants(8, 8)));
  TPargbSurface c(40, 40);
  c.graphics.DrawImage(&image, 2, 2);
  EXPECT_EQ(c.At(3, 3), kRed);
  EXPECT_EQ(c.At(8, 3), kGreen);
  EXPECT_EQ(c.At(3, 8), kBlue);
  EXPECT_EQ(c.At(9, 9), kWhite);
  EXPECT_EQ(c.At(11, 11), kClear);
  c.graphics.DrawImageRect(&image, TGPRectF{20.5f, 20, 16, 16});  // 20.5 rounds to 20
  EXPECT_EQ(c.At(21, 21), kRed);
  EXPECT_EQ(c.At(34, 21), kGreen);
  EXPECT_EQ(c.At(21, 34), kBlue);
  EXPECT_EQ(c.At(34, 34), kWhite);
  EXPECT_EQ(c.At(18, 25), kClear);
}

TEST(KitGDIPPaint, GdiAndGdiPlusDrawIntoTheSameDeviceContext) {
  TSurface surface(60, 40);
  TCanvas* canvas = surface.Canvas();
  canvas->Brush()->SetColor(clBlue);
  canvas->FillRect(TRect(0, 0, 20, 40));
  {
    auto g = surface.Graphics();
    TGPSolidBrush red(0xFFFF0000);
    g->FillRectangle(&red, TGPRectF{10, 10, 20, 10});
    TGPSolidBrush halfGreen(0x8000FF00);
    g->FillRectangle(&halfGreen, TGPRectF{40, 10, 10, 10});
  }
  canvas->Pen()->SetColor(clBlack);
  canvas->MoveTo(0, 30);
  canvas->LineTo(60, 30);
  EXPECT_TRUE(Near(surface.At(5, 5), kBlue));
  EXPECT_TRUE(Near(surface.At(15, 15), kRed)) << "GDI+ over the GDI fill";
  EXPECT_TRUE(Near(surface.At(25, 15), kRed));
  EXPECT_TRUE(Near(surface.At(45, 15), QColor(127, 255, 127), 3)) << "blended over white";
  EXPECT_TRUE(Near(surface.At(50, 30), QColor(0, 0, 0))) << "GDI after GDI+";

  // The DC's origin moves GDI+ drawing as it moves GDI drawing.
  SetViewportOrgEx(canvas->Handle(), 30, 0, nullptr);
  {
    auto g = surface.Graphics();
    TGPSolidBrush green(0xFF00FF00);
    g->FillRectangle(&green, TGPRectF{0, 0, 5, 5});
  }
  SetViewportOrgEx(canvas->Handle(), 0, 0, nullptr);
  EXPECT_TRUE(Near(surface.At(31, 1), kGreen));
  EXPECT_TRUE(Near(surface.At(1, 1), kBlue));
  surface.Save(PictureFolder() + "/wrappers-shared-dc.png");
}

TEST(KitGDIPPaint, GetHDCHandsOutADeviceContextOverTheSamePixels) {
  // On a device context: the context itself, GDI+ drawing flushed first.
  TSurface surface(20, 20);
  {
    auto g = surface.Graphics();
    TGPSolidBrush red(0xFFFF0000);
    g->FillRectangle(&red, TGPRectF{0, 0, 10, 10});
    HDC dc = g->GetHDC();
    ASSERT_EQ(dc, surface.Canvas()->Handle());
    EXPECT_EQ(g->GetHDC(), nullptr) << "handed out once";
    EXPECT_EQ(g->GetLastStatus(), ObjectBusy);
    g->ReleaseHDC(dc);
  }
  EXPECT_TRUE(Near(surface.At(5, 5), kRed));

  // On an image: a context over its pixels, written back on release.
  TPargbSurface c(20, 20);
  TGPSolidBrush red(0xFFFF0000);
  c.graphics.FillRectangle(&red, TGPRectF{0, 0, 20, 10});
  HDC dc = c.graphics.GetHDC();
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetPixel(dc, 5, 5), COLORREF(0x0000FF)) << "sees GDI+'s drawing";
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  const RECT lower{0, 10, 20, 20};
  FillRect(dc, &lower, blue);
  DeleteObject(blue);
  c.graphics.ReleaseHDC(dc);
  EXPECT_EQ(c.At(5, 5), kRed);
  EXPECT_EQ(c.At(5, 15), kBlue) << "GDI's drawing reaches the image";
}

TEST(KitGDIPPaint, SmoothingAndCompositingModesRoundTrip) {
  TPargbSurface c(4, 4);
  EXPECT_EQ(c.graphics.SetSmoothingMode(SmoothingModeAntiAlias), Ok);
  EXPECT_EQ(c.graphics.GetSmoothingMode(), SmoothingModeAntiAlias);
  EXPECT_EQ(c.graphics.SetTextRenderingHint(TextRenderingHintAntiAlias), Ok);
  EXPECT_EQ(c.graphics.GetTextRenderingHint(), TextRenderingHintAntiAlias);
  EXPECT_EQ(c.graphics.SetCompositingQuality(CompositingQualityHighQuality), Ok);
  EXPECT_EQ(c.graphics.GetCompositingQuality(), CompositingQualityHighQuality);
  TGPMatrix m(1, 0, 0, 1, 3, 4);
  c.graphics.SetTransform(&m);
  TGPMatrix read;
  EXPECT_EQ(c.graphics.GetTransform(&read), Ok);
  EXPECT_EQ(read.OffsetX(), 3.0f);
  EXPECT_EQ(read.OffsetY(), 4.0f);
}

}  // namespace
