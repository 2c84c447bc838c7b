// The routines of the style interfaces: tone sets, the form styler's style of
// a control, light and dark styles, the Office theme, colour darkening and a
// control's DPI scale.

#include "foundation/KitStyles.h"

#include <cmath>

#include "foundation/KitAppStyler.h"
#include "foundation/KitThemeNotifier.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Themes.h"

TColorTones DefaultColorTones() {
  TColorTones t;
  t.Background = {clWindow, clHighlight, clWindowText};
  t.Foreground = {TColor(0xC0C0C0), TColor(0xC0C0C0), TColor(0x000000)};
  t.Selected = {clHighlight, clHighlight, clHighlightText};
  t.Hover = {TColor(0x808080), TColor(0x808080), TColor(0xFFFFFF)};
  t.Disabled = {clWindow, TColor(0xC0C0C0), TColor(0xC0C0C0)};
  return t;
}

TColorTones BuildMetroTones(bool Light, TColor Accent, TColor) {
  TColorTones t;
  t.Background = Light ? TColorTone{TColor(0xFFFFFF), Accent, TColor(0x000000)}
                       : TColorTone{TColor(0x000000), Accent, TColor(0xFFFFFF)};
  t.Foreground = {TColor(0xC0C0C0), TColor(0xC0C0C0), TColor(0x000000)};
  t.Selected = {Accent, Accent, TColor(0xFFFFFF)};
  const TColor hover = DarkenColor(Accent, 20);
  t.Hover = {hover, hover, TColor(0xFFFFFF)};
  t.Disabled = {TColor(0xC0C0C0), TColor(0x808080), TColor(0x808080)};
  return t;
}

TVDXStyle GetFormStylerStyle(TComponent* AComponent, TVDXStyle Default) {
  if (!AComponent) return Default;
  TComponent* form = dynamic_cast<TCustomForm*>(AComponent);
  if (!form) {
    auto* control = dynamic_cast<TControl*>(AComponent);
    if (!control) return Default;
    form = GetParentForm(control);
  }
  if (!form) return Default;
  for (int i = 0; i < form->ComponentCount(); ++i) {
    auto* styler = dynamic_cast<TKitFormStyler*>(form->Components(i));
    if (styler && styler->Enabled() && styler->Style() != tsCustom) return styler->Style();
  }
  return Default;
}

bool IsLightStyle(TVDXStyle AStyle) {
  return AStyle != tsOffice2016Black && AStyle != tsOffice2019Gray && AStyle != tsOffice2019Black;
}

TOfficeTheme OfficeThemeOfStyle(TVDXStyle AStyle) {
  switch (AStyle) {
    case tsOffice2003Blue: return ot2003Blue;
    case tsOffice2003Silver: return ot2003Silver;
    case tsOffice2003Olive: return ot2003Olive;
    case tsOffice2003Classic: return ot2003Classic;
    case tsOffice2007Luna: return ot2007Blue;
    case tsOffice2007Silver: return ot2007Silver;
    case tsOffice2007Obsidian: return ot2007Black;
    case tsOffice2010Blue: return ot2010Blue;
    case tsOffice2010Silver: return ot2010Silver;
    case tsOffice2010Black: return ot2010Black;
    case tsOffice2013White: return ot2013White;
    case tsOffice2013LightGray: return ot2013Silver;
    case tsOffice2013Gray: return ot2013Gray;
    case tsOffice2016White: return ot2016White;
    case tsOffice2016Gray: return ot2016Gray;
    case tsOffice2016Black: return ot2016Black;
    case tsOffice2019White: return ot2019White;
    case tsOffice2019Gray: return ot2019Gray;
    case tsOffice2019Black: return ot2019Black;
    case tsCustom: return ot2019Black;
    default: return otUnknown;
  }
}

TOfficeTheme GetOfficeTheme() { return OfficeThemeOfStyle(DetectComponentStyle(true)); }

TColor DarkenColor(TColor Color, int Percent) {
  const TColor rgb = ColorToRGB(Color);
  auto channel = [&](int shift) {
    const double v = double((rgb >> shift) & 0xFF) * (100 - Percent) / 100.0;
    const double r = std::nearbyint(v);  // the default rounding mode: half to even
    return r > 255 ? 255 : r < 0 ? 0 : int(r);
  };
  return TColor(channel(16) << 16 | channel(8) << 8 | channel(0));
}

bool IsWinVista() { return true; }

QString GetMetroFontName() { return IsWinVista() ? QStringLiteral("Segoe UI") : QStringLiteral("Tahoma"); }

float GetControlDpiScale(TControl* AControl, TCanvas* ACanvas) {
  float result = 0;
  TCustomForm* form = nullptr;
  if (AControl) {
    form = dynamic_cast<TCustomForm*>(AControl);
    if (!form) form = GetParentForm(AControl);
  }
  if (form) {
    result = form->Scaled() ? float(form->Monitor().PixelsPerInch()) / 96.0f : 1.0f;
  } else if (ACanvas && ACanvas->HandleAllocated()) {
    result = float(GetDeviceCaps(ACanvas->Handle(), LOGPIXELSY)) / 96.0f;
  } else {
    result = float(Screen->PixelsPerInch()) / 96.0f;
  }
  return result == 0 ? 1.0f : result;
}

bool IsCustomStyleActive(TCustomStyleServices& AStyleServices) {
  return AStyleServices.Enabled() && AStyleServices.Name() != QStringLiteral("Windows");
}

QString VDXStyleName(TVDXStyle AStyle) {
  static const char* names[] = {"Office 2003 Blue",   "Office 2003 Silver",  "Office 2003 Olive",
                                "Office 2003 Classic", "Office 2007 Blue",   "Office 2007 Black",
                                "Windows XP",          "",                   "Custom",
                                "Office 2007 Silver",  "Windows Vista",      "Windows 7",
                                "Terminal",            "Office 2010 Blue",   "Office 2010 Silver",
                                "Office 2010 Black",   "Windows 8",          "Office 2013 White",
                                "Office 2013 Light gray", "Office 2013 Gray", "Windows 10",
                                "Office 2016 White",   "Office 2016 Gray",   "Office 2016 Black",
                                "Office 2019 White",   "Office 2019 Gray",   "Office 2019 Black"};
  const int i = int(AStyle);
  return i >= 0 && i < int(std::size(names)) ? QString::fromLatin1(names[i]) : QString();
}
