// Colours: system colour resolution, colour names and conversions.

#include <mutex>

#include "platform/vcl/Graphics.h"

namespace {

struct TColorName {
  TColor Value;
  const char* Name;
};

// Named colours in the order GetColorValues reports them.
constexpr TColorName kColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clActiveBorder, "clActiveBorder"},
    {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"},
    {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"},
    {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"},
    {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"},
    {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"},
    {clMenu, "clMenu"},
    {clMenuBar, "clMenuBar"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"},
    {clNone, "clNone"},
    {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clWindowText, "clWindowText"},
};

std::mutex& ResolverMutex() {
  static std::mutex m;
  return m;
}
TSystemColorResolver& Resolver() {
  static TSystemColorResolver r;
  return r;
}

}  // namespace

TColor ColorToRGB(TColor Color) {
  if ((uint32_t(Color) & 0xFF000000u) != uint32_t(clSystemColor)) return Color;
  TSystemColorResolver resolver;
  {
    std::lock_guard<std::mutex> lock(ResolverMutex());
    resolver = Resolver();
  }
  if (resolver) return resolver(Color);
  return TColor(GetSysColor(Color & 0xFF));
}

TSystemColorResolver SetSystemColorResolver(TSystemColorResolver Resolver_) {
  std::lock_guard<std::mutex> lock(ResolverMutex());
  TSystemColorResolver previous = std::move(Resolver());
  Resolver() = std::move(Resolver_);
  return previous;
}

bool ColorToIdent(TColor Color, QString& Ident) {
  for (const TColorName& c : kColorNames) {
    if (c.Value == Color) {
      Ident = QString::fromLatin1(c.Name);
      return true;
    }
  }
  return false;
}

bool IdentToColor(const QString& Ident, TColor& Color) {
  for (const TColorName& c : kColorNames) {
    if (Ident.compare(QLatin1String(c.Name), Qt::CaseInsensitive) == 0) {
      Color = c.Value;
      return true;
    }
  }
  return false;
}

QString ColorToString(TColor Color) {
  QString ident;
  if (ColorToIdent(Color, ident)) return ident;
  return QStringLiteral("$") + IntToHex(Color, 8);
}

TColor StringToColor(const QString& S) {
  TColor color = 0;
  if (IdentToColor(S.trimmed(), color)) return color;
  return StrToInt(S);
}

void GetColorValues(const std::function<void(const QString&)>& Proc) {
  if (!Proc) return;
  for (const TColorName& c : kColorNames) Proc(QString::fromLatin1(c.Name));
}
