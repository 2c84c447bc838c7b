// Style colours of the graphics: nothing under the plain system style, the
// active style's element colours and samples otherwise.
#include <gtest/gtest.h>

#include <functional>

#include "foundation/KitGraphicsStyles.h"
#include "platform/vcl/Themes.h"

namespace {

using TColorQuery = bool (*)(TColor&);

const TColorQuery kQueries[] = {
    &TKitGraphicsStyles::GetStyleLineFillColor,          &TKitGraphicsStyles::GetStyleBackgroundFillColor,
    &TKitGraphicsStyles::GetStyleBackgroundFillColorTo,  &TKitGraphicsStyles::GetStyleAlternativeBackgroundFillColor,
    &TKitGraphicsStyles::GetStyleAlternativeBackgroundFillColorTo, &TKitGraphicsStyles::GetStyleBackgroundStrokeColor,
    &TKitGraphicsStyles::GetStyleHeaderFillColor,        &TKitGraphicsStyles::GetStyleHeaderFillColorTo,
    &TKitGraphicsStyles::GetStyleHeaderStrokeColor,      &TKitGraphicsStyles::GetStyleSelectionFillColor,
    &TKitGraphicsStyles::GetStyleSelectionFillColorTo,   &TKitGraphicsStyles::GetStyleTextFontColor,
    &TKitGraphicsStyles::GetStyleAlternativeTextFontColor, &TKitGraphicsStyles::GetStyleDefaultButtonFillColor,
    &TKitGraphicsStyles::GetStyleDefaultButtonStrokeColor,
};

struct StyleScope {
  explicit StyleScope(const QString& AName) { TStyleManager::SetStyle(AName); }
  ~StyleScope() { TStyleManager::SetStyle(QStringLiteral("Windows")); }
};

TEST(KitGraphicsStyles, TheSystemStyleGivesNoColour) {
  StyleScope style(QStringLiteral("Windows"));
  EXPECT_FALSE(TKitGraphicsStyles::StyleServicesEnabled());
  for (TColorQuery query : kQueries) {
    TColor c = 0x123456;
    EXPECT_FALSE(query(c));
    EXPECT_EQ(c, 0x123456);
  }
}

TEST(KitGraphicsStyles, ANamedStyleGivesItsColours) {
  StyleScope style(QStringLiteral("Amethyst Kamri"));
  ASSERT_TRUE(TKitGraphicsStyles::StyleServicesEnabled());
  TCustomStyleServices& s = TStyleManager::ActiveStyle();
  TColor c = 0;
  // An element colour the style defines.
  TColor border = 0x1FFFFFFF;
  s.GetElementColor(TCustomStyleServices::GetElementDetails(tgCellNormal), ecBorderColor, border);
  ASSERT_TRUE(TKitGraphicsStyles::GetStyleLineFillColor(c));
  EXPECT_EQ(c, border);
  // The header colour is read 2 pixels below the top of the painted cell.
  ASSERT_TRUE(TKitGraphicsStyles::GetStyleHeaderFillColor(c));
  const TColor top = TKitGraphicsStyles::GetStyleElementTopColor(
      TCustomStyleServices::GetElementDetails(tgFixedCellNormal));
  EXPECT_EQ(c, top);
  for (TColorQuery query : kQueries) {
    TColor any = 0x123456;
    query(any);
    EXPECT_NE(any, 0x1FFFFFFF);
  }
}

TEST(KitGraphicsStyles, TheClassFunctionsReachEachOtherThroughTheTable) {
  StyleScope style(QStringLiteral("Amethyst Kamri"));
  TKitGraphicsStyles::TVirtuals saved = TKitGraphicsStyles::Virtuals();
  int samples = 0;
  TKitGraphicsStyles::Virtuals().GetStyleElementTopColor = [&](const TThemedElementDetails&) {
    ++samples;
    return TColor(0x0A0B0C);
  };
  TColor c = 0;
  EXPECT_TRUE(TKitGraphicsStyles::GetStyleSelectionFillColor(c));
  EXPECT_EQ(c, TColor(0x0A0B0C));
  EXPECT_EQ(samples, 1);
  TKitGraphicsStyles::Virtuals().StyleServicesEnabled = [] { return false; };
  c = 7;
  EXPECT_FALSE(TKitGraphicsStyles::GetStyleSelectionFillColor(c));
  EXPECT_EQ(c, 7);
  TKitGraphicsStyles::Virtuals() = saved;
}

}  // namespace
