#pragma once
// Colours of the application's active visual style for the library's
// custom-painted controls. Each colour function answers whether the style
// gives the colour; with the plain "Windows" style (no style) every one
// answers false and leaves the caller's colour as it was. Sampled colours are
// read from an element the style paints into a 200 x 200 bitmap: call them
// when colours are initialised or re-adapted, not per paint.

#include <QUuid>

#include "foundation/KitTypes.h"
#include "platform/vcl/Themes.h"

// A component that can follow the active visual style.
class IKitAdaptToStyleEx {
 public:
  static constexpr QUuid IID{0x3EFF288D, 0x3927, 0x4E86, 0x8E, 0x9D, 0xEF, 0x68, 0x4B, 0x50, 0x1C, 0x9E};
  virtual ~IKitAdaptToStyleEx() = default;
  virtual bool GetAdaptToStyle() = 0;
  virtual void SetAdaptToStyle(bool AValue) = 0;
};

class TKitGraphicsStyles : public TObject {
 public:
  TF_DECLARE_PUBLISHED(TKitGraphicsStyles)
  TF_KIT_JSON_OPERATIONS

  // The class functions reach each other through this table, so a
  // descendant can replace the sampling or the enabled test.
  struct TVirtuals {
    std::function<TColor(const TThemedElementDetails&)> GetStyleElementTopColor;
    std::function<TColor(const TThemedElementDetails&)> GetStyleElementBottomColor;
    std::function<bool()> StyleServicesEnabled;
  };
  static TVirtuals& Virtuals();

  // The pixel 2 below the top (or 2 above the bottom) in the middle of the
  // element painted at 200 x 200.
  static TColor GetStyleElementTopColor(const TThemedElementDetails& ADetails);
  static TColor GetStyleElementBottomColor(const TThemedElementDetails& ADetails);
  // The active style is enabled and is not "Windows" (exact comparison).
  static bool StyleServicesEnabled();
  static bool GetStyleLineFillColor(TColor& AColor);
  static bool GetStyleBackgroundFillColor(TColor& AColor);
  static bool GetStyleBackgroundFillColorTo(TColor& AColor);
  static bool GetStyleAlternativeBackgroundFillColor(TColor& AColor);
  static bool GetStyleAlternativeBackgroundFillColorTo(TColor& AColor);
  static bool GetStyleBackgroundStrokeColor(TColor& AColor);
  static bool GetStyleHeaderFillColor(TColor& AColor);
  static bool GetStyleHeaderFillColorTo(TColor& AColor);
  static bool GetStyleHeaderStrokeColor(TColor& AColor);
  static bool GetStyleSelectionFillColor(TColor& AColor);
  static bool GetStyleSelectionFillColorTo(TColor& AColor);
  static bool GetStyleTextFontColor(TColor& AColor);
  static bool GetStyleAlternativeTextFontColor(TColor& AColor);
  static bool GetStyleDefaultButtonFillColor(TColor& AColor);
  static bool GetStyleDefaultButtonStrokeColor(TColor& AColor);
};
