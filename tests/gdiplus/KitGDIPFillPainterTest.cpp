// PaintGradientFill: the body of each kind, the grown brush rectangle of
// linear gradients, the mirror line and the outline.

#include <gtest/gtest.h>

#include <memory>

#include "gdiplus/KitGDIP.h"
#include "gdiplus/KitGDIPPicture.h"
#include "tests/gdiplus/GdipFixtures.h"

using namespace KitGDIP;
using namespace gdipfixtures;

namespace {

struct TCanvas20 {
  TCanvas20() : bitmap(30, 30, PixelFormat32bppPARGB), graphics(&bitmap) {}
  QColor At(int x, int y) {
    graphics.Flush(FlushIntentionSync);
    ARGB c = 0;
    bitmap.GetPixel(x, y, c);
    return QColor::fromRgba(c);
  }
  TGradientFillParams Params(TKitGradientType kind) {
    TGradientFillParams p;
    p.Graphics = &graphics;
    p.Rect = TGPRectF{5, 5, 10, 10};
    p.GradientType = kind;
    p.ColorFrom = clBlack;
    p.ColorTo = clWhite;
    return p;
  }
  int Painted() {
    int n = 0;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 30; ++x)
        if (At(x, y).alpha() > 0) ++n;
    return n;
  }
  TGPBitmap bitmap;
  TGPGraphics graphics;
};

TEST(KitGDIPFillPainter, LinearGradientsUseABrushRectangleOnePixelLargerOnEverySide) {
  TCanvas20 c;
  PaintGradientFill(c.Params(gtVertical));
  // The filled area is the 10 x 10 rectangle.
  EXPECT_EQ(c.At(5, 4).alpha(), 0);
  EXPECT_EQ(c.At(4, 5).alpha(), 0);
  EXPECT_EQ(c.At(15, 15).alpha(), 0);
  EXPECT_EQ(c.At(14, 14).alpha(), 255);
  // The brush spans (4, 4, 12, 12): the same pixels as a brush made over
  // that rectangle by hand, and not those of a brush over the fill itself.
  const auto byHand = [](TGPRectF brushRect) {
    auto canvas = std::make_unique<TCanvas20>();
    TGPLinearGradientBrush brush(brushRect, 0xFF000000, 0xFFFFFFFF, LinearGradientModeVertical);
    brush.SetGammaCorrection(true);
    canvas->graphics.FillRectangle(&brush, TGPRectF{5, 5, 10, 10});
    return canvas;
  };
  auto grown = byHand(TGPRectF{4, 4, 12, 12});
  auto exact = byHand(TGPRectF{5, 5, 10, 10});
  for (int y = 5; y < 15; ++y) EXPECT_EQ(c.At(10, y), grown->At(10, y)) << y;
  EXPECT_GT(c.At(10, 5).red(), exact->At(10, 5).red() + 8);
  EXPECT_LT(c.At(10, 14).red(), exact->At(10, 14).red() - 8);
  EXPECT_EQ(c.At(10, 5).red(), c.At(6, 5).red()) << "vertical: rows are even";

  TCanvas20 h;
  PaintGradientFill(h.Params(gtHorizontal));
  EXPECT_LT(h.At(5, 10).red(), h.At(14, 10).red());
  EXPECT_EQ(h.At(10, 5).red(), h.At(10, 14).red());
}

TEST(KitGDIPFillPainter, MirrorDrawsTheStartColourAlongTheTopOnlyForTheFourLinearKinds) {
  for (TKitGradientType kind : {gtVertical, gtHorizontal, gtForwardDiagonal, gtBackwardDiagonal, gtAngle, gtSolid}) {
    SCOPED_TRACE(int(kind));
    TCanvas20 plain, mirrored;
    TGradientFillParams p = plain.Params(kind);
    p.ColorFrom = clRed;
    p.ColorTo = clBlue;
    PaintGradientFill(p);
    TGradientFillParams m = mirrored.Params(kind);
    m.ColorFrom = clRed;
    m.ColorTo = clBlue;
    m.Mirror = true;
    PaintGradientFill(m);
    const bool line = kind != gtAngle && kind != gtSolid;
    const QColor top = mirrored.At(12, 5);
    if (line) {
      EXPECT_EQ(top, QColor(255, 0, 0)) << "the mirror line";
    } else {
      EXPECT_EQ(top, plain.At(12, 5)) << "no mirror line";
    }
    EXPECT_EQ(mirrored.At(12, 10), plain.At(12, 10)) << "the body is the same";
  }
}

TEST(KitGDIPFillPainter, RadialPathAndNoneKindsPaintOnlyTheOutline) {
  for (TKitGradientType kind : {gtRadial, gtPath, gtNone}) {
    SCOPED_TRACE(int(kind));
    TCanvas20 c;
    TGradientFillParams p = c.Params(kind);
    PaintGradientFill(p);
    EXPECT_EQ(c.Painted(), 0) << "no outline without a border colour";
    p.BorderColor = clRed;
    p.BorderWidth = 1;
    PaintGradientFill(p);
    EXPECT_GT(c.Painted(), 20);
    EXPECT_EQ(c.At(10, 10).alpha(), 0) << "no body";
  }
}

TEST(KitGDIPFillPainter, TheOutlineTakesTheStartOpacityAndItsDashStyle) {
  TCanvas20 c;
  TGradientFillParams p = c.Params(gtNone);
  p.OpacityFrom = 128;
  p.OpacityTo = 255;
  p.BorderColor = clRed;
  p.BorderWidth = 2;
  PaintGradientFill(p);
  const QColor edge = c.At(5, 10);
  EXPECT_NEAR(edge.alpha(), 128, 2);
  EXPECT_GT(edge.red(), 200);

  TCanvas20 dashed;
  TGradientFillParams d = dashed.Params(gtNone);
  d.Rect = TGPRectF{2, 10, 26, 10};
  d.BorderColor = clBlack;
  d.BorderWidth = 1;
  d.BorderStyle = DashStyleDot;
  PaintGradientFill(d);
  int changes = 0;
  for (int x = 3; x < 27; ++x)
    if ((dashed.At(x, 10).alpha() > 100) != (dashed.At(x - 1, 10).alpha() > 100)) ++changes;
  EXPECT_GE(changes, 6);
}

TEST(KitGDIPFillPainter, SolidHatchAndTextureBodiesAndPathTargets) {
  TCanvas20 solid;
  TGradientFillParams s = solid.Params(gtSolid);
  s.ColorFrom = clLime;
  s.OpacityFrom = 255;
  PaintGradientFill(s);
  EXPECT_EQ(solid.At(10, 10), QColor(0, 255, 0));

  TCanvas20 hatch;
  TGradientFillParams h = hatch.Params(gtHatch);
  h.Rect = TGPRectF{0, 0, 30, 30};
  h.ColorFrom = clBlack;
  h.ColorTo = clWhite;
  h.HatchStyle = HatchStyleCross;
  PaintGradientFill(h);
  int black = 0, white = 0;
  for (int x = 0; x < 30; ++x) {
    const QColor v = hatch.At(x, 15);
    if (v.red() < 60) ++black;
    if (v.red() > 200) ++white;
  }
  EXPECT_GT(black, 1);
  EXPECT_GT(white, 10);

  TKitGDIPPicture tile;
  TBytesStream bytes(Png(Quadrants(4, 4)));
  tile.LoadFromStream(&bytes);
  TCanvas20 texture;
  TGradientFillParams t = texture.Params(gtTexture);
  t.Rect = TGPRectF{0, 0, 30, 30};
  t.Texture = &tile;
  PaintGradientFill(t);
  // Tiles anchored at the origin: (1,1) and (5,5) are both red corners.
  EXPECT_EQ(texture.At(1, 1), QColor(255, 0, 0));
  EXPECT_EQ(texture.At(5, 5), QColor(255, 0, 0));
  EXPECT_EQ(texture.At(7, 7), QColor(255, 255, 255));
  t.Texture = nullptr;
  TCanvas20 none;
  t.Graphics = &none.graphics;
  PaintGradientFill(t);
  EXPECT_EQ(none.Painted(), 0);

  // With a path, the body fills the path.
  TCanvas20 path;
  TGPGraphicsPath ellipse;
  ellipse.AddEllipse(0, 0, 30, 30);
  TGradientFillParams e = path.Params(gtSolid);
  e.ColorFrom = clRed;
  e.Path = &ellipse;
  e.UsePath = true;
  PaintGradientFill(e);
  EXPECT_EQ(path.At(15, 15), QColor(255, 0, 0));
  EXPECT_EQ(path.At(1, 1).alpha(), 0) << "outside the ellipse";
}

}  // namespace
