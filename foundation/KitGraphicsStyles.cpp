#include "foundation/KitGraphicsStyles.h"

#include <memory>

#include "platform/vcl/Graphics.h"

TF_PUBLISHED(TKitGraphicsStyles, TObject) { return TPublished<TKitGraphicsStyles>(); }

namespace {

constexpr TColor kNoColor = 0x1FFFFFFF;

TColor Sample(const TThemedElementDetails& ADetails, bool ATop) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(200, 200);
  const RECT r{0, 0, 200, 200};
  TStyleManager::ActiveStyle().DrawElement(bitmap->Canvas()->Handle(), ADetails, r, nullptr);
  const int x = bitmap->Width() / 2;
  const int y = ATop ? 2 : bitmap->Height() - 2;
  return bitmap->Canvas()->Pixels(x, y);
}

TColor ElementColor(const TThemedElementDetails& ADetails, TElementColor AWhich) {
  TColor c = kNoColor;
  TStyleManager::ActiveStyle().GetElementColor(ADetails, AWhich, c);
  return c;
}

bool Answer(TColor& AColor, TColor AValue) {
  AColor = AValue;
  return AColor != kNoColor;
}

}  // namespace

TKitGraphicsStyles::TVirtuals& TKitGraphicsStyles::Virtuals() {
  static TVirtuals v{[](const TThemedElementDetails& d) { return Sample(d, true); },
                     [](const TThemedElementDetails& d) { return Sample(d, false); }, [] {
                       TCustomStyleServices& s = TStyleManager::ActiveStyle();
                       return s.Enabled() && s.Name() != QLatin1String("Windows");
                     }};
  return v;
}

TColor TKitGraphicsStyles::GetStyleElementTopColor(const TThemedElementDetails& ADetails) {
  return Virtuals().GetStyleElementTopColor(ADetails);
}
TColor TKitGraphicsStyles::GetStyleElementBottomColor(const TThemedElementDetails& ADetails) {
  return Virtuals().GetStyleElementBottomColor(ADetails);
}
bool TKitGraphicsStyles::StyleServicesEnabled() { return Virtuals().StyleServicesEnabled(); }

#define KIT_STYLE_ENABLED \
  if (!StyleServicesEnabled()) return false

bool TKitGraphicsStyles::GetStyleBackgroundFillColor(TColor& AColor) {
  KIT_STYLE_ENABLED;
  const auto d = TCustomStyleServices::GetElementDetails(tgCellNormal);
  TColor c = ElementColor(d, ecFillColor);
  if (c == kNoColor) c = GetStyleElementTopColor(d);
  return Answer(AColor, c);
}
bool TKitGraphicsStyles::GetStyleBackgroundFillColorTo(TColor& AColor) {
  KIT_STYLE_ENABLED;
  const auto d = TCustomStyleServices::GetElementDetails(tgGradientCellNormal);
  TColor c = ElementColor(d, ecFillColor);
  if (c == kNoColor) c = GetStyleElementBottomColor(d);
  return Answer(AColor, c);
}
bool TKitGraphicsStyles::GetStyleAlternativeBackgroundFillColor(TColor& AColor) {
  KIT_STYLE_ENABLED;
  return Answer(AColor, GetStyleElementTopColor(TCustomStyleServices::GetElementDetails(teBackgroundNormal)));
}
bool TKitGraphicsStyles::GetStyleAlternativeBackgroundFillColorTo(TColor& AColor) {
  KIT_STYLE_ENABLED;
  return Answer(AColor, ElementColor(TCustomStyleServices::GetElementDetails(teBackgroundNormal), ecGradientColor1));
}
bool TKitGraphicsStyles::GetStyleBackgroundStrokeColor(TColor& AColor) {
  KIT_STYLE_ENABLED;
  return Answer(AColor, ElementColor(TCustomStyleServices::GetElementDetails(tgCellNormal), ecBorderColor));
}
bool TKitGraphicsStyles::GetStyleLineFillColor(TColor& AColor) {
  KIT_STYLE_ENABLED;
  return Answer(AColor, ElementColor(TCustomStyleServices::GetElementDetails(tgCellNormal), ecBorderColor));
}
bool TKitGraphicsStyles::GetStyleHeaderFillColor(TColor& AColor) {
  KIT_STYLE_ENABLED;
  return Answer(AColor, GetStyleElementTopColor(TCustomStyleServices::GetElementDetails(tgFixedCellNormal)));
}
bool TKitGraphicsStyles::GetStyleHeaderFillColorTo(TColor& AColor) {
  KIT_STYLE_ENABLED;
  return Answer(AColor, GetStyleElementBottomColor(TCustomStyleServices::GetElementDetails(tgFixedCellNormal)));
}
bool TKitGraphicsStyles::GetStyleHeaderStrokeColor(TColor& AColor) {
  KIT_STYLE_ENABLED;
  return Answer(AColor, ElementColor(TCustomStyleServices::GetElementDetails(tgFixedCellNormal), ecBorderColor));
}
bool TKitGraphicsStyles::GetStyleSelectionFillColor(TColor& AColor) {
  KIT_STYLE_ENABLED;
  return Answer(AColor, GetStyleElementTopColor(TCustomStyleServices::GetElementDetails(tgCellSelected)));
}
bool TKitGraphicsStyles::GetStyleSelectionFillColorTo(TColor& AColor) {
  KIT_STYLE_ENABLED;
  return Answer(AColor, GetStyleElementBottomColor(TCustomStyleServices::GetElementDetails(tgCellSelected)));
}
bool TKitGraphicsStyles::GetStyleTextFontColor(TColor& AColor) {
  KIT_STYLE_ENABLED;
  AColor = 0;
  return Answer(AColor, ElementColor(TCustomStyleServices::GetElementDetails(tgCellNormal), ecTextColor));
}
bool TKitGraphicsStyles::GetStyleAlternativeTextFontColor(TColor& AColor) {
  KIT_STYLE_ENABLED;
  AColor = 0;
  return Answer(AColor, ElementColor(TCustomStyleServices::GetElementDetails(tgCellSelected), ecTextColor));
}
bool TKitGraphicsStyles::GetStyleDefaultButtonFillColor(TColor& AColor) {
  KIT_STYLE_ENABLED;
  return Answer(AColor, GetStyleElementTopColor(TCustomStyleServices::GetElementDetails(tcbButtonNormal)));
}
bool TKitGraphicsStyles::GetStyleDefaultButtonStrokeColor(TColor& AColor) {
  KIT_STYLE_ENABLED;
  return Answer(AColor, ElementColor(TCustomStyleServices::GetElementDetails(tcbButtonNormal), ecBorderColor));
}

#undef KIT_STYLE_ENABLED
