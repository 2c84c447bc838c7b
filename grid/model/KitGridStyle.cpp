// The grid's looks and style colours: the look presets, the colours taken
// from the active visual style (or the plain ones restored), and the
// notifications of changed cells.

#include "grid/model/KitGrid.h"
#include "platform/vcl/Themes.h"

namespace {

TColor ElementColor(TThemedGrid Element, TElementColor Which) {
  TColor c = clNone;
  TStyleManager::ActiveStyle().GetElementColor(TCustomStyleServices::GetElementDetails(Element), Which, c);
  return c;
}

}  // namespace

void TKitStringGrid::SetLook(TGridLook Value) {
  if (FLook == Value) return;
  // 1, 2.
  FLook = Value;
  if (Value != glCustom) {
    FControlLook->SetFixedGradientMirrorFrom(clNone);
    FControlLook->SetFixedGradientMirrorTo(clNone);
    FControlLook->SetFixedGradientFrom(clNone);
    FControlLook->SetFixedGradientTo(clNone);
    FVDXGradientFrom = FVDXGradientTo = FVDXGradientMirrorFrom = FVDXGradientMirrorTo = clNone;
    FSortSettings->SetHeaderColor(clNone);
  }
  // 3. The looks with a style of their own.
  if (Value == glVista || Value == glWin7 || Value == glOffice2007) {
    const TVDXStyle style = Value == glVista ? tsWindowsVista : Value == glWin7 ? tsWindows7 : tsOffice2007Luna;
    SetStyle(style);
    FUIStyle = style;
    SetSelectionStyle(Value == glVista ? ssVista : Value == glWin7 ? ssWin7 : ssOffice2007);
  } else if (Value != glCustom && !ComponentState().Contains(csLoading)) {
    // 4.
    SetSelectionStyle(ssDefault);
    if (Value == glStandard || Value == glSoft || Value == glClassic) {
      SetFixedColor(clBtnFace);
      FControlLook->SetFixedGradientFrom(clBtnFace);
      FControlLook->SetFixedGradientTo(clNone);
    } else {
      FControlLook->SetFixedGradientFrom(0xFFFFFF);
      FControlLook->SetFixedGradientTo(clBtnFace);
    }
    SetGridFixedLineColor(0x808080);
    FControlLook->SetFixedGradientMirrorFrom(clNone);
    FControlLook->SetFixedGradientMirrorTo(clNone);
    FVDXGradientMirrorFrom = FVDXGradientMirrorTo = clNone;
    SetGridLineColor(0xC0C0C0);
    if (Value == glVDX || Value == glXP) {
      FActiveCellColor = 0xEACAB6;
      FActiveCellColorTo = clNone;
      FSelectionColor = 0xEACAB6;
      FSelectionColorTo = clNone;
      FSelectionTextColor = 0x000000;
      FSearchFooter->SetColor(FVDXGradientFrom);
      FSearchFooter->SetColorTo(FVDXGradientTo);
      FControlLook->SetFixedGradientFrom(0xFFFFFF);
      FControlLook->SetFixedGradientTo(Value == glXP ? clBtnFace : TColor(0xC0C0C0));
      FControlLook->SetFixedGradientHoverFrom(0xCFD0D1);
      FControlLook->SetFixedGradientHoverTo(0xBEC6C8);
      FControlLook->SetFixedGradientHoverMirrorFrom(0xBEC6C8);
      FControlLook->SetFixedGradientHoverMirrorTo(0xABBCBF);
      FControlLook->SetFixedGradientDownFrom(0x868788);
      FControlLook->SetFixedGradientDownTo(0x737C7E);
      FControlLook->SetFixedGradientDownMirrorFrom(0x737C7E);
      FControlLook->SetFixedGradientDownMirrorTo(0x627376);
    } else {
      FActiveCellColor = 0x808080;
      FActiveCellColorTo = clNone;
      FSelectionColor = clHighlight;
      FSelectionTextColor = clHighlightText;
      FSearchFooter->SetColor(clBtnFace);
      FSearchFooter->SetColorTo(clBtnFace);
    }
  }
  // 5.
  FScrollType = ssNormal;
  if (Value != glCustom) FBorderColor = 0xB99D7F;
  if (HandleAllocated()) {
    Invalidate();
    if (!ComponentState().Contains(csLoading)) UpdateFooter();
  }
}

void TKitStringGrid::RestoreDefaultColors() {
  SetColor(clWindow);
  SetGridLineColor(0xC0C0C0);
  SetGridFixedLineColor(0x808080);
  FFixedFont->SetColor(clWindowText);
  FSelectionTextColor = clWindowText;
  SetOptions(Options() + TGridOptions{goFixedVertLine, goFixedHorzLine});
  if (!ParentFont()) Font()->SetColor(clBlack);
}

void TKitStringGrid::ApplyStyleColors(bool ApplyToCells) {
  // 1.
  const bool previous = FUseKWFStyles;
  FUseKWFStyles = false;
  FStyledScrollBars = false;
  const bool useStyle = StyleElements().Contains(seClient) && FUseStyleServices;
  const bool custom = TStyleManager::IsCustomStyleActive() && FUseStyleServices;
  // 2.
  if (custom) {
    FUseKWFStyles = useStyle;
    FStyledScrollBars = true;
    if (!useStyle && previous != FUseKWFStyles) RestoreDefaultColors();
    if (useStyle) {
      SetColor(ElementColor(tgCellNormal, ecFillColor));
      SetGridLineColor(ElementColor(tgCellNormal, ecBorderColor));
      SetGridFixedLineColor(ElementColor(tgFixedCellNormal, ecBorderColor));
      SetOptions(Options() - TGridOptions{goFixedVertLine, goFixedHorzLine});
      const TColor text = ElementColor(tgCellNormal, ecTextColor);
      if (text != clNone) Font()->SetColor(text);
      if (StyleElements().Contains(seFont)) {
        const TColor selected = ElementColor(tgCellSelected, ecTextColor);
        if (selected != clNone) FSelectionTextColor = selected;
      }
      const TColor fixedText = ElementColor(tgFixedCellNormal, ecTextColor);
      if (fixedText != clNone) FFixedFont->SetColor(fixedText);
      const TColor fixedFill = ElementColor(tgFixedCellNormal, ecFillColor);
      if (fixedFill != clNone) {
        FSearchFooter->SetColor(fixedFill);
        FSearchFooter->SetColorTo(fixedFill);
      }
    }
  } else if (ApplyToCells) {
    // 3.
    RestoreDefaultColors();
  }
  // 4.
  if (FUseKWFStyles && ApplyToCells) {
    for (int c = 0; c < TotalColCount(); ++c)
      for (int r = 0; r < RowCount(); ++r)
        if (TCellProperties* rec = FindCellProperties(c, r)) {
          rec->SetFieldBrushColor(Color());
          rec->SetFontColor(Font()->Color());
        }
  }
  Invalidate();
}

void TKitStringGrid::CellsChanged(const TRect& R) {
  for (int i = 0; i < FNotifierList->Count(); ++i)
    if (auto* n = dynamic_cast<TGridChangeNotifier*>(static_cast<TObject*>(FNotifierList->Items(i))))
      n->CellsChanged(this, R);
  if (OnCellsChanged) OnCellsChanged(this, R);
  CalcFooter(-1);
}

void TKitStringGrid::RegisterNotifier(TGridChangeNotifier* Notifier) {
  if (Notifier != nullptr && FNotifierList->IndexOf(Notifier) < 0) FNotifierList->Add(Notifier);
}

void TKitStringGrid::UnRegisterNotifier(TGridChangeNotifier* Notifier) { FNotifierList->Remove(Notifier); }

void TKitStringGrid::GridLookToString(TGridLook Look, QString& Text) {
  static const char* const kNames[] = {"glStandard", "glSoft",  "glClassic", "glVDX",        "glXP",
                                       "glListView", "glVista", "glWin7",    "glOffice2007"};
  if (Look >= glStandard && Look <= glOffice2007) Text = QString::fromLatin1(kNames[Look]);
}

void TKitStringGrid::GridLookDisplayName(TGridLook Look, QString& Text) {
  static const char* const kNames[] = {"Standard", "Soft",          "Classic",   "VDX",       "Windows XP",
                                       "ListView", "Windows Vista", "Windows 7", "Office2007"};
  if (Look >= glStandard && Look <= glOffice2007) Text = QString::fromLatin1(kNames[Look]);
}
