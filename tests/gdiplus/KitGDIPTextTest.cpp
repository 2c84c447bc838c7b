// Text helpers of the static TGPGraphics: fonts made from framework fonts,
// the cached font, DrawText's measuring rules and the string calls.

#include <gtest/gtest.h>

#include <memory>

#include "gdiplus/KitGDIP.h"
#include "tests/gdiplus/GdipFixtures.h"

using namespace KitGDIP;
using namespace gdipfixtures;

namespace {

class KitGDIPText : public ::testing::Test {
 protected:
  KitGDIPText() {
    font.SetName(QStringLiteral("DejaVu Sans"));
    font.SetSize(10);
  }
  QString FamilyOf(TGPFont* f) {
    TGPFontFamily family;
    f->GetFamily(&family);
    QString name;
    family.GetFamilyName(name);
    return name;
  }
  // The measured width of a text in the font, as DrawText measures it.
  REAL MeasuredWidth(const QString& text, TGPFont* f) {
    TGPRectF box{};
    graphics.MeasureString(text, -1, f, TGPRectF{0, 0, 1000, 100}, nullptr, box);
    return box.Width;
  }
  // The box of the pixels drawn more than faintly.
  QRect Ink() {
    return probe::Box(surface.Image(), [](QRgb c) { return qAlpha(c) > 100; });
  }

  TPargbSurface surface{200, 60};
  TGPBitmap& bitmap = surface.bitmap;
  TGPGraphics& graphics = surface.graphics;
  TFont font;
};

TEST_F(KitGDIPText, MakeFontFallsBackToArialForAFamilyThatIsNotInstalled) {
  font.SetName(QStringLiteral("Nonexistent Family Sans"));
  font.SetSize(13);
  font.SetStyle(TFontStyles{fsItalic, fsUnderline});
  std::unique_ptr<TGPFont> made(graphics.MakeFont(&font));
  ASSERT_EQ(made->Status(), Ok);
  EXPECT_EQ(made->GetSize(), 13.0f);
  EXPECT_EQ(made->GetStyle(), FontStyleItalic | FontStyleUnderline);
  TGPFontFamily arial(QStringLiteral("Arial"));
  QString arialName;
  arial.GetFamilyName(arialName);
  EXPECT_EQ(FamilyOf(made.get()), arialName) << "the family Arial stands for";

  font.SetName(QStringLiteral("DejaVu Serif"));
  std::unique_ptr<TGPFont> serif(graphics.MakeFont(&font, 20));
  EXPECT_EQ(FamilyOf(serif.get()), QStringLiteral("DejaVu Serif"));
  EXPECT_EQ(serif->GetSize(), 20.0f);
}

TEST_F(KitGDIPText, MakeFontExKeepsOneFontUntilSizeStyleOrNameChange) {
  TGPFont* first = graphics.MakeFontEx(&font);
  EXPECT_EQ(graphics.MakeFontEx(&font), first);
  EXPECT_EQ(graphics.CachedFont(), first);
  font.SetSize(12);
  TGPFont* sized = graphics.MakeFontEx(&font);
  EXPECT_EQ(sized->GetSize(), 12.0f);
  EXPECT_EQ(graphics.MakeFontEx(&font), sized);
  font.SetStyle(TFontStyles{fsBold});
  TGPFont* bold = graphics.MakeFontEx(&font);
  EXPECT_EQ(bold->GetStyle(), FontStyleBold);
  font.SetName(QStringLiteral("DejaVu Serif"));
  TGPFont* renamed = graphics.MakeFontEx(&font);
  EXPECT_EQ(FamilyOf(renamed), QStringLiteral("DejaVu Serif"));
  EXPECT_EQ(graphics.MakeFontEx(&font), renamed);
}

TEST_F(KitGDIPText, DrawTextMeasuresWithTheMarginAndCountsATrailingBlankAsALetter) {
  for (int size : {8, 14}) {
    SCOPED_TRACE(size);
    font.SetSize(size);
    const int margin = size > 8 ? 2 + RoundEven((size - 8) / 1.5) : 2;
    EXPECT_EQ(margin, size == 14 ? 6 : 2);
    TGPFont* f = graphics.MakeFontEx(&font);
    TRect r(10, 5, 20, 25);
    const int height = graphics.DrawText(QStringLiteral("ab "), -1, r, &font, DT_CALCRECT_FLAG, clNone);
    EXPECT_EQ(r.Right - r.Left, RoundEven(MeasuredWidth(QStringLiteral("abi"), f) - margin));
    EXPECT_EQ(height, r.Bottom - r.Top);
    EXPECT_GT(height, size);
    EXPECT_TRUE(Ink().isEmpty()) << "measuring draws nothing";
  }
  // A single blank stays a blank.
  TRect r(0, 0, 10, 10);
  graphics.DrawText(QStringLiteral(" "), -1, r, &font, DT_CALCRECT_FLAG, clNone);
  EXPECT_LT(r.Right - r.Left, RoundEven(MeasuredWidth(QStringLiteral("i"), graphics.MakeFontEx(&font))));
}

TEST_F(KitGDIPText, DrawTextPaintsTheBackgroundAndTheTextAtTheTopLeft) {
  font.SetColor(clBlack);
  TRect r(20, 10, 30, 20);
  const int height = graphics.DrawText(QStringLiteral("Hello"), -1, r, &font, 0, clYellow);
  EXPECT_GT(height, 0);
  graphics.Flush(FlushIntentionSync);
  ARGB background = 0;
  bitmap.GetPixel(r.Right - 2, r.Top + 1, background);
  EXPECT_EQ(background, 0xFFFFFF00u);
  const QRect ink = Ink();
  EXPECT_GE(ink.left(), 20);
  EXPECT_GE(ink.top(), 10);
  // Without a background nothing but the text is drawn, where it starts.
  TGPBitmap other(200, 60, PixelFormat32bppPARGB);
  TGPGraphics g(&other);
  TRect r2(50, 30, 60, 40);
  g.DrawText(QStringLiteral("Hello"), -1, r2, &font, 0, clNone);
  EXPECT_EQ(r2, TRect(50, 30, 60, 40)) << "the rectangle is measured only for a background or DT_CALCRECT";
}

TEST_F(KitGDIPText, DrawStringDrawsTheWholeTextWhateverLengthIsGiven) {
  TGPFont* f = graphics.MakeFontEx(&font);
  TGPSolidBrush black(0xFF000000);
  graphics.DrawString(QStringLiteral("WWWWWWWWWW"), 3, f, TGPRectF{0, 0, 200, 40}, nullptr, &black);
  const int whole = Ink().width();
  TGPBitmap other(200, 60, PixelFormat32bppPARGB);
  TGPGraphics g(&other);
  g.DrawString(QStringLiteral("WWW"), 3, f, TGPRectF{0, 0, 200, 40}, nullptr, &black);
  g.Flush(FlushIntentionSync);
  int three = 0;
  for (int x = 0; x < 200; ++x)
    for (int y = 0; y < 60; ++y) {
      ARGB c = 0;
      other.GetPixel(x, y, c);
      if ((c >> 24) > 100) three = std::max(three, x + 1);
    }
  EXPECT_GT(whole, 3 * three - 10) << "ten letters, not three";

  // MeasureString passes its length: three letters measure narrower.
  TGPRectF all{}, part{};
  graphics.MeasureString(QStringLiteral("WWWWWWWWWW"), -1, f, TGPRectF{0, 0, 1000, 100}, all);
  graphics.MeasureString(QStringLiteral("WWWWWWWWWW"), 3, f, TGPRectF{0, 0, 1000, 100}, part);
  EXPECT_LT(part.Width, all.Width / 2);
  TGPRectF beyond{};
  graphics.MeasureString(QStringLiteral("WW"), 50, f, TGPRectF{0, 0, 1000, 100}, beyond);
  EXPECT_GT(beyond.Width, 0) << "a length beyond the text is held to it";
}

TEST_F(KitGDIPText, TextWidthAndHeightUseTheCachedFont) {
  const int w1 = graphics.TextWidth(QStringLiteral("abc"), &font);
  const int w2 = graphics.TextWidth(QStringLiteral("abcabc"), &font);
  EXPECT_GT(w1, 0);
  EXPECT_GT(w2, w1 + w1 / 2);
  EXPECT_GT(graphics.TextHeight(QStringLiteral("abc"), &font), 8);
  EXPECT_NE(graphics.CachedFont(), nullptr);
  const int big = graphics.TextHeight(QStringLiteral("abc"), &font);
  font.SetSize(20);
  EXPECT_GT(graphics.TextHeight(QStringLiteral("abc"), &font), big);
}

TEST(KitGDIPPath, StringsAndShapesAddToThePath) {
  TGPGraphicsPath path;
  TGPFontFamily family(QStringLiteral("DejaVu Sans"));
  EXPECT_EQ(path.AddString(QStringLiteral("Ab"), -1, &family, FontStyleRegular, 20, TGPPointF{0, 0}, nullptr), Ok);
  EXPECT_GT(path.GetPointCount(), 8);
  TGPRectF bounds{};
  EXPECT_EQ(path.GetBounds(bounds), Ok);
  EXPECT_GT(bounds.Width, 10);
  path.Reset();
  EXPECT_EQ(path.GetPointCount(), 0);
  path.AddPie(0, 0, 10, 10, 0, 90);
  path.CloseFigure();
  EXPECT_GT(path.GetPointCount(), 3);
  const TGPPointF points[3] = {{0, 0}, {5, 0}, {5, 5}};
  const BYTE types[3] = {0, 1, 0x81};
  TGPGraphicsPath made(points, types, 3);
  EXPECT_EQ(made.GetPointCount(), 3);
  TGPGraphicsPath bad(points, nullptr, 3);
  EXPECT_EQ(bad.GetLastStatus(), InvalidParameter);
}

}  // namespace
