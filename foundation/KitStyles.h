#pragma once
// The vocabulary of styled components: the component styles, the Office
// colour themes, the colour tones, and the interfaces through which a
// styler hands a style or tones to a component (found with dynamic_cast; the
// GUIDs are kept for callers that compare them).

#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Graphics.h"

enum TVDXStyle {
  tsOffice2003Blue, tsOffice2003Silver, tsOffice2003Olive, tsOffice2003Classic, tsOffice2007Luna,
  tsOffice2007Obsidian, tsWindowsXP, tsWhidbey, tsCustom, tsOffice2007Silver, tsWindowsVista, tsWindows7,
  tsTerminal, tsOffice2010Blue, tsOffice2010Silver, tsOffice2010Black, tsWindows8, tsOffice2013White,
  tsOffice2013LightGray, tsOffice2013Gray, tsWindows10, tsOffice2016White, tsOffice2016Gray, tsOffice2016Black,
  tsOffice2019White, tsOffice2019Gray, tsOffice2019Black
};
TF_ENUM_NAMES(TVDXStyle, tsOffice2003Blue, tsOffice2003Silver, tsOffice2003Olive, tsOffice2003Classic,
              tsOffice2007Luna, tsOffice2007Obsidian, tsWindowsXP, tsWhidbey, tsCustom, tsOffice2007Silver,
              tsWindowsVista, tsWindows7, tsTerminal, tsOffice2010Blue, tsOffice2010Silver, tsOffice2010Black,
              tsWindows8, tsOffice2013White, tsOffice2013LightGray, tsOffice2013Gray, tsWindows10,
              tsOffice2016White, tsOffice2016Gray, tsOffice2016Black, tsOffice2019White, tsOffice2019Gray,
              tsOffice2019Black)
static_assert(tsCustom == 8 && tsOffice2019Black == 26, "styles are stored by ordinal");

enum TMetroStyle { msLight, msDark };
TF_ENUM_NAMES(TMetroStyle, msLight, msDark)

enum TOfficeTheme {
  ot2003Blue, ot2003Silver, ot2003Olive, ot2003Classic, ot2007Blue, ot2007Silver, ot2007Black, ot2010Blue,
  ot2010Silver, ot2010Black, ot2013White, ot2013Silver, ot2013Gray, ot2016White, ot2016Gray, ot2016Black,
  ot2019White, ot2019Gray, ot2019Black, otUnknown
};
TF_ENUM_NAMES(TOfficeTheme, ot2003Blue, ot2003Silver, ot2003Olive, ot2003Classic, ot2007Blue, ot2007Silver,
              ot2007Black, ot2010Blue, ot2010Silver, ot2010Black, ot2013White, ot2013Silver, ot2013Gray,
              ot2016White, ot2016Gray, ot2016Black, ot2019White, ot2019Gray, ot2019Black, otUnknown)

struct TColorTone {
  TColor BrushColor = clNone;
  TColor BorderColor = clNone;
  TColor TextColor = clNone;
  bool operator==(const TColorTone&) const = default;
};

struct TColorTones {
  TColorTone Background;
  TColorTone Foreground;
  TColorTone Selected;
  TColorTone Hover;
  TColorTone Disabled;
  bool operator==(const TColorTones&) const = default;
};

// All fifteen colours clNone.
inline TColorTones EmptyColorTones() { return TColorTones{}; }
// The tones a styler starts with: window, highlight and grey system colours.
TColorTones DefaultColorTones();
// Tones built around one accent colour on a light (white) or dark (black)
// background. The metro text colour is accepted and not used.
TColorTones BuildMetroTones(bool Light, TColor Accent, TColor TextColor = 0);

class IVDXStyle {
 public:
  static constexpr const char* GUID = "{11AC2DDC-C087-4298-AB6E-EA1B5017511B}";
  virtual ~IVDXStyle() = default;
  virtual void SetComponentStyle(TVDXStyle AStyle) = 0;
};

class IVDXStyleEx : public IVDXStyle {
 public:
  static constexpr const char* GUID = "{037BA87F-7CBD-4FDD-854E-2B3F0BCC06AE}";
  virtual void SetComponentStyleAndAppColor(TVDXStyle AStyle, TColor AppColor) = 0;
};

class IVDXTones {
 public:
  static constexpr const char* GUID = "{1F492643-6699-4F25-8B34-3233FA735036}";
  virtual ~IVDXTones() = default;
  virtual void SetColorTones(const TColorTones& ATones) = 0;
};

class TComponent;
class TControl;
class TCanvas;
class TCustomStyleServices;

// The style of the first enabled form styler with a style other than tsCustom
// on the form of AComponent (the component itself when it is a form, else the
// top-level form holding the control); Default when there is none.
TVDXStyle GetFormStylerStyle(TComponent* AComponent, TVDXStyle Default);
// False for the dark styles (Office 2016 Black, Office 2019 Gray and Black).
bool IsLightStyle(TVDXStyle AStyle);
// The Office colour theme the detected style stands for (tsCustom, an
// unknown Office theme, counts as 2019 Black; the Windows styles as unknown).
TOfficeTheme GetOfficeTheme();
TOfficeTheme OfficeThemeOfStyle(TVDXStyle AStyle);
// Each channel of the resolved colour scaled by (100 - Percent) %, rounded
// half to even and held to 0..255.
TColor DarkenColor(TColor Color, int Percent);
// "Segoe UI" on systems with the newer locale functions (always here).
QString GetMetroFontName();
bool IsWinVista();
// The DPI scale of a control: 1 on a form that is not Scaled, else the form's
// monitor resolution / 96; without a form, the canvas's (or the screen's)
// resolution / 96. Never 0.
float GetControlDpiScale(TControl* AControl, TCanvas* ACanvas);
// Style services are enabled and the active style is not "Windows".
bool IsCustomStyleActive(TCustomStyleServices& AStyleServices);
// The name of a style in the styler's style list ("" for tsWhidbey).
QString VDXStyleName(TVDXStyle AStyle);
