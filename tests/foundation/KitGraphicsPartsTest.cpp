// Control parts at sample pixels, on the GDI back-end (exact colours) and
// the GDI+ one.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <functional>

#include "foundation/KitGDIPlusClasses.h"
#include "foundation/KitGraphics.h"
#include "tests/support/TestSupport.h"
#include "platform/rtl/SysUtils.h"

namespace {

QImage Paint(bool ANative, int w, int h, const std::function<void(TKitGraphics&)>& ADraw) {
  auto g = TKitGraphics::CreateBitmapCanvas(w, h, ANative, true);
  g->Bitmap()->Canvas()->Brush()->SetColor(0xFFFFFF);
  g->Bitmap()->Canvas()->FillRect(TRect(0, 0, w, h));
  g->Context()->SetSize(float(w), float(h));
  g->Context()->SetAntiAliasing(false);
  g->BeginScene();
  ADraw(*g);
  g->EndScene();
  g->Context()->Render();
  return g->Bitmap()->ToImage().convertToFormat(QImage::Format_RGB32);
}

// The framework colour of a pixel.
TColor At(const QImage& img, int x, int y) {
  const QRgb p = img.pixel(x, y);
  return TColor(qRed(p) | qGreen(p) << 8 | qBlue(p) << 16);
}

QString OutDir() { return testsupport::TestOutputFolder(); }

class KitGraphicsParts : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (GetParam()) KitGDIPlusClasses::InitializeKitGDIPlusClasses();
    ControlPartColors() = {};
  }
  void TearDown() override { ControlPartColors() = {}; }
  bool Native() const { return GetParam(); }
};

TEST_P(KitGraphicsParts, ButtonsFramesAndFaces) {
  struct Case {
    const char* Name;
    bool Down, Focused, Enabled;
    TColor Frame, Inner, Face;
  };
  const Case cases[] = {
      {"normal", false, false, true, 0xA9A9A9, 0xE1E1E1, 0xE1E1E1},
      {"pressed", true, false, true, 0xA9A9A9, LighterColor(0xA9A9A9, 40), 0xE1E1E1},
      {"focused", false, true, true, 0xB17F3C, 0xFBF1E5, 0xFBF1E5},
      {"disabled", true, true, false, 0xA9A9A9, LighterColor(0xA9A9A9, 40), 0xD3D3D3},
  };
  for (const Case& c : cases) {
    const QImage img = Paint(Native(), 40, 30, [&](TKitGraphics& g) {
      g.DrawButton(TRectF(0, 0, 40, 30), c.Down, c.Focused, c.Enabled, false, 1);
    });
    EXPECT_EQ(At(img, 20, 0), c.Frame) << c.Name;
    EXPECT_EQ(At(img, 0, 15), c.Frame) << c.Name;
    EXPECT_EQ(At(img, 20, 1), c.Inner) << c.Name;
    EXPECT_EQ(At(img, 20, 15), c.Face) << c.Name;
  }
}

TEST_P(KitGraphicsParts, AdaptedButtonsTakeTheTable) {
  // Before the table is filled, adapted buttons are black inside and out.
  QImage img = Paint(Native(), 40, 30, [](TKitGraphics& g) {
    g.DrawButton(TRectF(0, 0, 40, 30), false, false, true, true, 1);
  });
  EXPECT_EQ(At(img, 20, 0), 0);
  EXPECT_EQ(At(img, 20, 15), 0);
  TKitGraphics::SetDefaultGraphicColors();
  img = Paint(Native(), 40, 30, [](TKitGraphics& g) {
    g.DrawButton(TRectF(0, 0, 40, 30), false, false, true, true, 1);
  });
  EXPECT_EQ(At(img, 20, 0), TColor(0xA9A9A9));
  EXPECT_EQ(At(img, 20, 15), TColor(0xE1E1E1));
}

TEST_P(KitGraphicsParts, CheckBoxAndRadioButton) {
  const QImage img = Paint(Native(), 60, 20, [](TKitGraphics& g) {
    g.DrawCheckBox(TRectF(0, 0, 14, 14), true, false, true, 1);
    g.DrawCheckBox(TRectF(20, 0, 34, 14), false, false, true, 1);
    g.DrawRadioButton(TRectF(40, 0, 54, 14), true, false, true, 1);
  });
  img.save(OutDir() + QStringLiteral("/check-radio-%1.png").arg(Native() ? "gdiplus" : "gdi"));
  const TColor face = LighterColor(0xD3D3D3, 85);
  // The frame on the 12 x 12 rectangle inside.
  EXPECT_EQ(At(img, 0, 7), TColor(0xFFFFFF));
  EXPECT_EQ(At(img, 1, 7), 0);
  EXPECT_EQ(At(img, 7, 1), 0);
  // The cross through the middle, the corners of the inner face free.
  int crossing = 0;
  for (int y = 6; y <= 8; ++y)
    for (int x = 6; x <= 8; ++x) crossing += At(img, x, y) == 0 ? 1 : 0;
  EXPECT_GE(crossing, 3);
  EXPECT_EQ(At(img, 7, 3), face);
  // Unchecked: face only.
  EXPECT_EQ(At(img, 27, 7), face);
  // The radio dot.
  EXPECT_EQ(At(img, 47, 7), 0);
}

TEST_P(KitGraphicsParts, ProgressBars) {
  QImage img = Paint(Native(), 120, 20, [](TKitGraphics& g) {
    g.Font()->SetName(QStringLiteral("DejaVu Sans"));
    g.DrawProgressBar(TRectF(0, 0, 120, 20), 250, QStringLiteral("%.0f%%"), 100, 0x00C000, 0x000000, false, true, 1);
  });
  // Above the maximum: a full bar.
  EXPECT_EQ(At(img, 115, 10), TColor(0x00C000));
  EXPECT_EQ(At(img, 3, 10), TColor(0x00C000));
  // A maximum of 0 draws the frame only.
  img = Paint(Native(), 120, 20, [](TKitGraphics& g) {
    g.DrawProgressBar(TRectF(0, 0, 120, 20), 50, QStringLiteral("%.0f%%"), 0, 0x00C000, 0, true, true, 1);
  });
  EXPECT_EQ(At(img, 60, 0), TColor(0xA9A9A9));
  EXPECT_EQ(At(img, 60, 10), LighterColor(0xD3D3D3, 75));
  // Half way: the bar ends in the middle.
  img = Paint(Native(), 120, 20, [](TKitGraphics& g) {
    g.DrawProgressBar(TRectF(0, 0, 120, 20), 50, QStringLiteral("%.0f%%"), 100, 0x00C000, 0, false, true, 1);
  });
  EXPECT_EQ(At(img, 30, 10), TColor(0x00C000));
  EXPECT_EQ(At(img, 90, 10), LighterColor(0xD3D3D3, 75));
}

TEST_P(KitGraphicsParts, ProgressTextWithHostileFormats) {
  // Formats that do not take one floating-point argument are drawn as they
  // are; nothing reads beyond the one argument given.
  for (const char* format : {"%s%s%s%s", "%d", "%n", "%p %p", "%*.*f", "%1:f %0:s", "%.99999999f", "%-2147483648f",
                             "%100000000f", "%", "100%"}) {
    EXPECT_NO_THROW(Paint(Native(), 120, 20, [&](TKitGraphics& g) {
      g.DrawProgressBar(TRectF(0, 0, 120, 20), 50, QString::fromLatin1(format), 100, 0x00C000, 0, true, true, 1);
    })) << format;
  }
  // The percentage reaches the text.
  EXPECT_EQ(Format(QStringLiteral("%.0f%%"), {50.0}), QStringLiteral("50%"));
}

TEST_P(KitGraphicsParts, GlyphButtons) {
  TKitGraphics::SetDefaultGraphicColors();
  const QImage img = Paint(Native(), 200, 40, [](TKitGraphics& g) {
    g.DrawCloseButton(TRectF(0, 0, 30, 30), false, false, true, true, 1);
    g.DrawExpanderButton(TRectF(40, 0, 70, 30), gesCollapsed, false, false, true, false, 1);
    g.DrawCompactButton(TRectF(80, 0, 110, 30), gcsExpanded, false, false, true, false, 1);
    // A wide drop-down button: the glyph goes to the strip at the right end.
    g.DrawDropDownButton(TRectF(120, 0, 200, 30), false, false, true, false, true, 1);
  });
  img.save(OutDir() + QStringLiteral("/glyph-buttons-%1.png").arg(Native() ? "gdiplus" : "gdi"));
  auto dark = [&](int x0, int x1) {
    int n = 0;
    for (int y = 2; y < 28; ++y)
      for (int x = x0; x < x1; ++x) n += qGray(img.pixel(x, y)) < 128 ? 1 : 0;
    return n;
  };
  EXPECT_GT(dark(2, 28), 10);      // the close cross
  EXPECT_GT(dark(42, 68), 5);      // the expander glyph
  EXPECT_GT(dark(82, 108), 5);     // the compact glyph
  EXPECT_GT(dark(186, 198), 5);    // the drop-down glyph in the right strip
  EXPECT_EQ(dark(122, 180), 0);    // nothing left of it
}

INSTANTIATE_TEST_SUITE_P(BothBackEnds, KitGraphicsParts, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "GdiPlus" : "Gdi"; });

}  // namespace

namespace {

TEST(KitGraphicsSample, AGradientBoxWithItsFrameAndText) {
  TBitmap bitmap(200, 60);
  bitmap.Canvas()->Brush()->SetColor(0xFFFFFF);
  bitmap.Canvas()->FillRect(TRect(0, 0, 200, 60));
  TKitGraphics::DrawSample(bitmap.Canvas(), TRectF(0, 0, 200, 60));
  TCanvas* c = bitmap.Canvas();
  EXPECT_EQ(c->Pixels(0, 30), TColor(0x8B0000));
  EXPECT_EQ(c->Pixels(100, 0), TColor(0x8B0000));
  // Top to bottom from orange to steel blue (the fill's default orientation).
  const TColor top = c->Pixels(5, 2), bottom = c->Pixels(5, 57);
  EXPECT_LE(std::abs(int(top & 0xFF) - 0xFF), 16);
  EXPECT_LE(std::abs(int(bottom & 0xFF) - 0x46), 16);
  // White text in the middle.
  int white = 0;
  for (int y = 15; y < 45; ++y)
    for (int x = 50; x < 150; ++x) white += c->Pixels(x, y) == TColor(0xFFFFFF) ? 1 : 0;
  EXPECT_GT(white, 20);
}

}  // namespace
