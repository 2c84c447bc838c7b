// The two back-ends on pictures: the same drawing through both compared
// pixel by pixel away from edges, GDI's own pixel rules on the GDI back-end,
// and the GDI+ back-end's state rules.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <cmath>
#include <cstdlib>
#include <functional>

#include "foundation/KitGDIPlusClasses.h"
#include "foundation/KitGraphics.General.h"
#include "foundation/KitGraphics.Win.h"
#include "foundation/KitGraphics.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr int kW = 200, kH = 160;

// The bitmap facade's picture after drawing.
QImage Render(bool ANative, const std::function<void(TKitGraphics&)>& ADraw, int w = kW, int h = kH) {
  auto g = TKitGraphics::CreateBitmapCanvas(w, h, ANative, true);
  g->Bitmap()->Canvas()->Brush()->SetColor(0xFFFFFF);
  g->Bitmap()->Canvas()->FillRect(TRect(0, 0, w, h));
  g->Context()->SetSize(float(w), float(h));
  g->Context()->SetAntiAliasing(true);
  g->BeginScene();
  ADraw(*g);
  g->EndScene();
  g->Context()->Render();
  return g->Bitmap()->ToImage().convertToFormat(QImage::Format_RGB32);
}

QString OutDir() { return testsupport::TestOutputFolder(); }

int Diff(QRgb a, QRgb b) {
  return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

// Pixels that differ by more than ATolerance, counting only pixels whose 5 x
// 5 neighbourhood is one colour in both pictures (away from edges).
int InteriorMismatches(const QImage& a, const QImage& b, int ATolerance, int& compared) {
  auto flat = [](const QImage& img, int x, int y) {
    const QRgb c = img.pixel(x, y);
    for (int dy = -2; dy <= 2; ++dy)
      for (int dx = -2; dx <= 2; ++dx)
        if (Diff(img.pixel(x + dx, y + dy), c) > 3) return false;
    return true;
  };
  int bad = 0;
  compared = 0;
  for (int y = 2; y < a.height() - 2; ++y)
    for (int x = 2; x < a.width() - 2; ++x) {
      if (!flat(a, x, y) || !flat(b, x, y)) continue;
      ++compared;
      if (Diff(a.pixel(x, y), b.pixel(x, y)) > ATolerance) ++bad;
    }
  return bad;
}

std::unique_ptr<TKitBitmap> Checker(int w, int h) {
  QImage image(w, h, QImage::Format_ARGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.setPixel(x, y, ((x / 4 + y / 4) % 2) ? 0xFF2060C0 : 0xFFF0C020);
  TBitmap bitmap;
  bitmap.AssignImage(image);
  auto picture = std::make_unique<TKitBitmap>();
  picture->Assign(&bitmap);
  return picture;
}

class KitGraphicsBackends : public ::testing::Test {
 protected:
  void SetUp() override {
    KitGDIPlusClasses::InitializeKitGDIPlusClasses();
    ASSERT_NE(GdiPlusToken, 0u) << "GDI+ runtime unavailable";
  }
};

struct Scene {
  const char* Name;
  std::function<void(TKitGraphics&)> Draw;
  int Tolerance;
};

TEST_F(KitGraphicsBackends, TheSameDrawingAgreesAwayFromEdges) {
  auto texture = Checker(16, 16);
  const Scene scenes[] = {
      {"fills",
       [](TKitGraphics& g) {
         g.Stroke()->SetKind(gskNone);
         g.SetFillColor(0x3050E0);
         g.DrawRectangle(10.0, 10.0, 90.0, 70.0);
         g.SetFillColor(0x20A040);
         g.DrawEllipse(100.0, 10.0, 190.0, 80.0);
         g.SetFillColor(0xC02080);
         g.DrawRoundRectangle(10.0, 85.0, 90.0, 150.0, 12.0f);
         g.SetFillColor(0x0080F0);
         g.DrawPolygon({TPointF(110, 150), TPointF(150, 90), TPointF(190, 150)});
       },
       8},
      {"strokes",
       [](TKitGraphics& g) {
         g.Fill()->SetKind(gfkNone);
         g.SetStrokeColor(0x000000);
         g.SetStrokeWidth(6);
         g.DrawLine(TPointF(10, 20), TPointF(190, 20));
         g.SetStrokeWidth(9);
         g.DrawLine(TPointF(20, 40), TPointF(20, 150));
         g.SetStrokeWidth(5);
         g.SetStrokeKind(gskDash);
         g.DrawLine(TPointF(40, 60), TPointF(190, 60));
         g.SetStrokeKind(gskSolid);
         g.SetStrokeWidth(7);
         g.DrawRectangle(60.0, 80.0, 180.0, 150.0);
       },
       8},
      {"rounded and arcs",
       [](TKitGraphics& g) {
         g.Stroke()->SetKind(gskNone);
         g.SetFillColor(0x1020A0);
         g.DrawRoundRectangle(10.0, 10.0, 110.0, 90.0, 20.0f, TKitGraphicsCorners{gcTopLeft, gcBottomRight});
         g.SetFillColor(0x10A0A0);
         g.DrawArc(TPointF(150, 110), TPointF(40, 40), 0, 180);
       },
       8},
      {"clip",
       [](TKitGraphics& g) {
         g.Stroke()->SetKind(gskNone);
         g.ClipRect(TRectF(40, 30, 120, 110));
         g.SetFillColor(0x2040C0);
         g.DrawRectangle(0.0, 0.0, 200.0, 160.0);
       },
       2},
      {"gradient",
       [](TKitGraphics& g) {
         g.Stroke()->SetKind(gskNone);
         g.Fill()->BeginUpdate();
         g.Fill()->SetKind(gfkGradient);
         g.Fill()->SetOrientation(gfoHorizontal);
         g.Fill()->SetColor(0x0000FF);
         g.Fill()->SetColorTo(0xFF0000);
         g.Fill()->EndUpdate();
         g.DrawRectangle(0.0, 0.0, 200.0, 160.0);
       },
       10},
      {"pictures",
       [&](TKitGraphics& g) {
         g.DrawBitmap(10.0, 10.0, 42.0, 42.0, texture.get(), false, true, false, false);
         g.DrawBitmap(60.0, 10.0, 124.0, 74.0, texture.get(), false, true, false, false);
         g.Stroke()->SetKind(gskNone);
         g.Fill()->BeginUpdate();
         g.Fill()->SetKind(gfkTexture);
         g.Fill()->SetTextureMode(gtmTile);
         g.Fill()->SetTexture(texture.get());
         g.Fill()->EndUpdate();
         g.DrawRectangle(10.0, 90.0, 190.0, 150.0);
       },
       4},
  };
  for (const Scene& s : scenes) {
    const QImage gdi = Render(false, s.Draw);
    const QImage gdip = Render(true, s.Draw);
    gdi.save(OutDir() + QStringLiteral("/%1-gdi.png").arg(QString::fromLatin1(s.Name).replace(u' ', u'-')));
    gdip.save(OutDir() + QStringLiteral("/%1-gdiplus.png").arg(QString::fromLatin1(s.Name).replace(u' ', u'-')));
    int compared = 0;
    const int bad = InteriorMismatches(gdi, gdip, s.Tolerance, compared);
    EXPECT_GT(compared, kW * kH / 4) << s.Name;
    // A few pixels next to differently anti-aliased edges may still count.
    EXPECT_LE(bad, compared / 200) << s.Name << ": " << bad << " of " << compared;
  }
}

TEST_F(KitGraphicsBackends, GradientStopsFromTheCollection) {
  // Items at 0.3 (red) and 0.6 (blue): stops at 0, 0.3, 0.6 and 1, the outer
  // two in the neighbouring items' colours.
  const QImage img = Render(true, [](TKitGraphics& g) {
    g.Stroke()->SetKind(gskNone);
    g.Fill()->BeginUpdate();
    g.Fill()->SetKind(gfkGradient);
    g.Fill()->SetOrientation(gfoHorizontal);
    g.Fill()->SetGradientMode(gfgmCollection);
    g.Fill()->AddGradientItem(0x0000FF, 0.3f, 1);
    g.Fill()->AddGradientItem(0xFF0000, 0.6f, 1);
    g.Fill()->EndUpdate();
    g.DrawRectangle(0.0, 0.0, 200.0, 160.0);
  });
  img.save(OutDir() + QStringLiteral("/collection-gradient-gdiplus.png"));
  const int y = 80;
  EXPECT_LE(Diff(img.pixel(20, y), qRgb(255, 0, 0)), 12);   // before 0.3: red
  EXPECT_LE(Diff(img.pixel(185, y), qRgb(0, 0, 255)), 12);  // after 0.6: blue
  const QRgb mid = img.pixel(90, y);                         // between: a mix
  EXPECT_GT(qRed(mid), 40);
  EXPECT_GT(qBlue(mid), 40);
}

TEST_F(KitGraphicsBackends, RotatedTextIsTurnedOnBoth) {
  for (bool native : {false, true}) {
    const QImage img = Render(native, [](TKitGraphics& g) {
      g.Font()->SetName(QStringLiteral("DejaVu Sans"));
      g.Font()->SetSize(14);
      g.Font()->SetColor(0);
      g.DrawText(TRectF(80, 10, 120, 150), QStringLiteral("Rotated text"), false, gtaCenter, gtaCenter, gttNone, 90);
    });
    img.save(OutDir() + QStringLiteral("/rotated-text-%1.png").arg(native ? "gdiplus" : "gdi"));
    int minX = kW, maxX = -1, minY = kH, maxY = -1;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        if (qGray(img.pixel(x, y)) < 128) {
          minX = std::min(minX, x);
          maxX = std::max(maxX, x);
          minY = std::min(minY, y);
          maxY = std::max(maxY, y);
        }
    ASSERT_GE(maxX, 0) << "no text drawn, native " << native;
    // Turned text is taller than wide.
    EXPECT_GT(maxY - minY, 2 * (maxX - minX)) << "native " << native;
  }
}

// GDI's own pixel rules on the GDI back-end.
TEST(KitGraphicsGeneral, RectangleOutlinePixels) {
  const QImage img = Render(false, [](TKitGraphics& g) {
    g.Fill()->SetKind(gfkNone);
    g.SetStrokeColor(0);
    g.DrawRectangle(0.0, 0.0, 10.0, 10.0);
  }, 12, 12);
  auto black = [&](int x, int y) { return img.pixel(x, y) == qRgb(0, 0, 0); };
  for (int i = 0; i <= 8; ++i) {
    EXPECT_TRUE(black(i, 0)) << i;
    EXPECT_TRUE(black(0, i)) << i;
    EXPECT_TRUE(black(i, 9)) << i;
  }
  for (int i = 0; i <= 9; ++i) EXPECT_TRUE(black(9, i)) << i;
  EXPECT_FALSE(black(10, 0));
  EXPECT_FALSE(black(0, 10));
  EXPECT_FALSE(black(5, 5));
}

TEST(KitGraphicsGeneral, PenWidthsRoundHalfToEven) {
  struct Case {
    float Width;
    int Pixels;
  };
  for (const Case c : {Case{1.5f, 2}, Case{2.5f, 2}, Case{3.5f, 4}, Case{1.0f, 1}}) {
    const QImage img = Render(false, [&](TKitGraphics& g) {
      g.SetStrokeColor(0);
      g.SetStrokeWidth(c.Width);
      g.DrawLine(TPointF(2, 10), TPointF(18, 10));
    }, 20, 20);
    int rows = 0;
    for (int y = 0; y < 20; ++y) rows += img.pixel(10, y) == qRgb(0, 0, 0) ? 1 : 0;
    EXPECT_EQ(rows, c.Pixels) << c.Width;
  }
}

TEST(KitGraphicsGeneral, ClipsAccumulateAndTransformsAreIgnored) {
  const QImage img = Render(false, [](TKitGraphics& g) {
    g.Stroke()->SetKind(gskNone);
    g.ClipRect(TRectF(0, 0, 30, 30));
    g.ClipRect(TRectF(10, 10, 40, 40));
    g.Context()->ResetClip();
    g.Context()->TranslateTransform(50, 50);
    g.SetFillColor(0x0000FF);
    g.DrawRectangle(0.0, 0.0, 50.0, 50.0);
  }, 60, 60);
  EXPECT_EQ(img.pixel(15, 15), qRgb(255, 0, 0));  // inside both clips
  EXPECT_EQ(img.pixel(5, 5), qRgb(255, 255, 255));   // only in the first
  EXPECT_EQ(img.pixel(35, 35), qRgb(255, 255, 255)); // only in the second
  EXPECT_EQ(img.pixel(55, 55), qRgb(255, 255, 255)); // no translation
}

TEST(KitGraphicsGeneral, MirroredGradientHalves) {
  const QImage img = Render(false, [](TKitGraphics& g) {
    g.Stroke()->SetKind(gskNone);
    g.Fill()->BeginUpdate();
    g.Fill()->SetKind(gfkGradient);
    g.Fill()->SetOrientation(gfoHorizontal);
    g.Fill()->SetColor(0x0000FF);
    g.Fill()->SetColorTo(0x000080);
    g.Fill()->SetColorMirror(0x00FF00);
    g.Fill()->SetColorMirrorTo(0x008000);
    g.Fill()->EndUpdate();
    g.DrawRectangle(0.0, 0.0, 11.0, 20.0);
  }, 12, 20);
  for (int x = 0; x <= 4; ++x) EXPECT_GT(qRed(img.pixel(x, 10)), 100) << x;
  for (int x = 5; x <= 10; ++x) EXPECT_GT(qGreen(img.pixel(x, 10)), 100) << x;
  EXPECT_EQ(img.pixel(11, 10), qRgb(255, 255, 255));
}

TEST(KitGraphicsGeneral, ArcAndPolylineFillsLikeTheOtherBackEnd) {
  for (bool native : {false, true}) {
    const QImage img = Render(native, [](TKitGraphics& g) {
      g.Stroke()->SetKind(gskNone);
      g.SetFillColor(0x000000);
      // The lower half disc of radius 40 around (50, 50).
      g.DrawArc(TPointF(50, 50), TPointF(40, 40), 0, 180);
      // An open polyline: its closed shape is filled.
      g.DrawPolyline({TPointF(110, 10), TPointF(190, 10), TPointF(150, 90)});
    }, 200, 100);
    EXPECT_EQ(qGray(img.pixel(50, 70)), 0) << native;    // inside the segment
    EXPECT_EQ(qGray(img.pixel(50, 30)), 255) << native;  // above the chord
    EXPECT_EQ(qGray(img.pixel(150, 30)), 0) << native;   // inside the polygon
    EXPECT_EQ(qGray(img.pixel(120, 70)), 255) << native;
  }
}

TEST(KitGraphicsGeneral, RoundRectWithThreeCornersKeepsOneSquare) {
  const QImage img = Render(false, [](TKitGraphics& g) {
    g.Fill()->SetKind(gfkNone);
    g.SetStrokeColor(0);
    g.DrawRoundRectangle(0.0, 0.0, 40.0, 40.0, 10.0f, TKitGraphicsCorners{gcTopLeft, gcTopRight, gcBottomLeft});
  }, 44, 44);
  EXPECT_EQ(qGray(img.pixel(39, 39)), 0);     // the square bottom-right corner
  EXPECT_EQ(qGray(img.pixel(0, 0)), 255);     // rounded corners leave the corner free
  EXPECT_EQ(qGray(img.pixel(39, 0)), 255);
  EXPECT_EQ(qGray(img.pixel(0, 39)), 255);
  EXPECT_EQ(qGray(img.pixel(20, 0)), 0);      // the straight sides
  EXPECT_EQ(qGray(img.pixel(0, 20)), 0);
}

// An ellipse with a visible fill and stroke goes to the canvas in one call
// where that paints what the fill pass and the outline pass paint, and in two
// passes where it would not; either way the pixels are those of the context's
// FillEllipse followed by its DrawEllipse, over a table of pens, pen modes,
// brushes, sizes and places (fractions rounded), on a patterned background.
TEST(KitGraphicsGeneral, FilledOutlinedEllipseIsTheFillPassThenTheOutlinePass) {
  struct PenCase {
    const char* Name;
    TPenStyle Style;  // set on the canvas after the facade's stroke
    bool Focus;       // drawn with the focus pen
  };
  const PenCase pens[] = {{"solid", psSolid, false},  {"dash", psDash, false},
                          {"dot", psDot, false},      {"dash-dot", psDashDot, false},
                          {"inside frame", psInsideFrame, false}, {"focus pen", psSolid, true}};
  const int widths[] = {0, 1, 2, 3, 5};
  const TPenMode modes[] = {pmCopy, pmXor, pmNotCopy, pmMerge};
  const TBrushStyle brushes[] = {bsSolid, bsClear, bsCross, bsFDiagonal};
  const TRectF rects[] = {TRectF(3, 4, 25, 18),        TRectF(30.4f, 2.6f, 58.5f, 37.5f), TRectF(5, 22, 6, 23),
                          TRectF(8.5f, 24.5f, 11.5f, 27.5f), TRectF(14, 21, 27, 39),      TRectF(40, 30, 70, 33)};
  constexpr int w = 64, h = 42;
  int onePass = 0, cases = 0;
  for (const PenCase& pen : pens)
    for (int width : widths)
      for (TPenMode mode : modes)
        for (TBrushStyle brush : brushes) {
          // Draws every rectangle, in one go through the facade or as the
          // context's two calls; answers the picture and the canvas calls made.
          auto draw = [&](bool AFacade, int& ACalls) {
            auto g = TKitGraphics::CreateBitmapCanvas(w, h, false, true);
            TCanvas* c = g->Bitmap()->Canvas();
            // Rows and columns of changing colours, so that every mix mode
            // shows what it mixed with.
            for (int y = 0; y < h; ++y) {
              c->Brush()->SetColor(TColor((y * 53) & 0xFF) * 0x010203 & 0xFFFFFF);
              c->FillRect(TRect(0, y, w, y + 1));
            }
            for (int x = 0; x < w; x += 3) {
              c->Brush()->SetColor(TColor((x * 29) & 0xFF) * 0x030102 & 0xFFFFFF);
              c->FillRect(TRect(x, 0, x + 1, h));
            }
            g->SetFillColor(0x3080E0);
            g->SetStrokeColor(0x203040);
            g->SetStrokeWidth(float(width));
            c->Pen()->SetStyle(pen.Style);
            c->Pen()->SetMode(mode);
            c->Brush()->SetStyle(brush);
            if (pen.Focus) g->StartSpecialPen();
            ACalls = 0;
            TNotifyEvent chained = c->OnChange;
            c->OnChange = [&](TObject* Sender) {
              ++ACalls;
              if (chained) chained(Sender);
            };
            for (const TRectF& r : rects) {
              if (AFacade) {
                g->DrawEllipse(r);
              } else {
                g->Context()->FillEllipse(g->Fill(), r, gcrmNone);
                g->Context()->DrawEllipse(g->Stroke(), r, gcrmNone);
              }
            }
            c->OnChange = chained;
            if (pen.Focus) g->StopSpecialPen();
            return g->Bitmap()->ToImage().convertToFormat(QImage::Format_RGB32);
          };
          int facadeCalls = 0, passCalls = 0;
          const QImage facade = draw(true, facadeCalls);
          const QImage passes = draw(false, passCalls);
          const std::string name = std::string(pen.Name) + " width " + std::to_string(width) + " mode " +
                                   std::to_string(int(mode)) + " brush " + std::to_string(int(brush));
          ++cases;
          if (facadeCalls == int(std::size(rects))) ++onePass;
          // One call per shape exactly for a solid pen that copies its colour.
          const bool expectOne = pen.Style == psSolid && !pen.Focus && mode == pmCopy;
          EXPECT_EQ(facadeCalls, int(std::size(rects)) * (expectOne ? 1 : 2)) << name;
          EXPECT_EQ(passCalls, 2 * int(std::size(rects))) << name;
          int differing = 0;
          for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) differing += facade.pixel(x, y) != passes.pixel(x, y) ? 1 : 0;
          EXPECT_EQ(differing, 0) << name;
        }
  EXPECT_EQ(onePass, int(std::size(widths) * std::size(brushes)));
  EXPECT_EQ(cases, int(std::size(pens) * std::size(widths) * std::size(modes) * std::size(brushes)));
}

// The GDI+ back-end's own rules.
TEST_F(KitGraphicsBackends, NativeStateRules) {
  // A dashed line without smoothing even with anti-aliasing on: only fully
  // drawn or untouched pixels.
  const QImage dashed = Render(true, [](TKitGraphics& g) {
    g.SetStrokeColor(0);
    g.SetStrokeKind(gskDash);
    g.SetStrokeWidth(1);
    g.DrawLine(TPointF(2, 10.5f), TPointF(90, 30.5f));
  }, 100, 40);
  int partial = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 100; ++x) {
      const int v = qGray(dashed.pixel(x, y));
      if (v > 10 && v < 245) ++partial;
    }
  EXPECT_EQ(partial, 0);
  // SetAntiAliasing goes back to the base state: the translation is gone.
  const QImage moved = Render(true, [](TKitGraphics& g) {
    g.Stroke()->SetKind(gskNone);
    g.SetFillColor(0);
    g.Context()->TranslateTransform(20, 0);
    g.Context()->SetAntiAliasing(false);
    g.DrawRectangle(0.0, 0.0, 10.0, 10.0);
  }, 40, 20);
  EXPECT_EQ(qGray(moved.pixel(5, 5)), 0);
  EXPECT_EQ(qGray(moved.pixel(25, 5)), 255);
  // A second clip replaces the first.
  const QImage clipped = Render(true, [](TKitGraphics& g) {
    g.Stroke()->SetKind(gskNone);
    g.SetFillColor(0);
    g.ClipRect(TRectF(0, 0, 10, 10));
    g.ClipRect(TRectF(20, 0, 30, 10));
    g.DrawRectangle(0.0, 0.0, 40.0, 10.0);
  }, 40, 10);
  EXPECT_EQ(qGray(clipped.pixel(5, 5)), 255);
  EXPECT_EQ(qGray(clipped.pixel(25, 5)), 0);
  // DrawRect of (0, 0, 10, 10) stays within x = 0..9.
  const QImage outline = Render(true, [](TKitGraphics& g) {
    g.Fill()->SetKind(gfkNone);
    g.SetStrokeColor(0);
    g.Context()->SetAntiAliasing(false);
    g.DrawRectangle(0.0, 0.0, 10.0, 10.0);
  }, 14, 14);
  EXPECT_LT(qGray(outline.pixel(9, 5)), 128);
  EXPECT_EQ(qGray(outline.pixel(10, 5)), 255);
  EXPECT_EQ(qGray(outline.pixel(5, 10)), 255);
}

TEST_F(KitGraphicsBackends, NativeContextOperations) {
  TBitmap bitmap(50, 50);
  TKitGraphics g(bitmap.Canvas(), true);
  g.Context()->SetSize(50, 50);
  EXPECT_EQ(g.Context()->SetTextAngle(TRectF(10, 10, 110, 30), 90), TRectF(-50, -10, 50, 10));
  g.Context()->ResetTextAngle(90);
  EXPECT_EQ(g.Context()->SetTextAngle(TRectF(10, 10, 110, 30), 0), TRectF(10, 10, 110, 30));
  // A texture fill handed to the back-end paints nothing.
  TKitGraphicsFill texture(gfkTexture, 0x0000FF);
  g.Context()->SetFill(&texture);
  g.Context()->FillRect(&texture, TRectF(0, 0, 50, 50), gcrmNone);
  g.Context()->Render();
  EXPECT_EQ(bitmap.Canvas()->Pixels(25, 25), TColor(0xFFFFFF));
  // After Render nothing is drawn until SetSize.
  TKitGraphicsFill solid(gfkSolid, 0x0000FF);
  g.Context()->SetFill(&solid);
  g.Context()->FillRect(&solid, TRectF(0, 0, 50, 50), gcrmNone);
  EXPECT_EQ(bitmap.Canvas()->Pixels(25, 25), TColor(0xFFFFFF));
  g.Context()->SetSize(50, 50);
  g.Context()->FillRect(&solid, TRectF(0, 0, 50, 50), gcrmNone);
  g.Context()->SetSize(50, 50);  // completes the output
  EXPECT_EQ(bitmap.Canvas()->Pixels(25, 25), TColor(0x0000FF));
  // Opacity outside 0..1 is clamped.
  EXPECT_EQ(MakeGPColor(0x0000FF, 2.0f) >> 24, 255u);
  EXPECT_EQ(MakeGPColor(0x0000FF, -1.0f) >> 24, 0u);
  EXPECT_EQ(MakeGPColor(0x00FF00, 1.0f), 0xFF00FF00u);
  EXPECT_EQ(MakeGPColor(-1, 1.0f) >> 24, 0u);
}

TEST_F(KitGraphicsBackends, PicturesAreDecodedOncePerContent) {
  auto picture = Checker(32, 32);
  auto g = TKitGraphics::CreateBitmapCanvas(100, 100, true, true);
  const int before = TKitGraphicsContextWin::DecodedPictureCount();
  for (int i = 0; i < 50; ++i) g->DrawBitmap(0.0, 0.0, 32.0, 32.0, picture.get(), false, true, false, false);
  EXPECT_EQ(TKitGraphicsContextWin::DecodedPictureCount() - before, 1);
  // Changing the picture's pixels makes it decode again.
  picture->Bitmap()->Canvas()->SetPixels(0, 0, 0);
  g->DrawBitmap(0.0, 0.0, 32.0, 32.0, picture.get(), false, true, false, false);
  EXPECT_EQ(TKitGraphicsContextWin::DecodedPictureCount() - before, 2);
}

}  // namespace
