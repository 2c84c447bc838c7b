// The grid's named colour styles, colour tones, XP colour schemes and the
// adaptation to the installed Office theme: bulk assignments of the colour
// properties the painter reads.

#include "foundation/KitStyles.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridDraw.h"
#include "grid/model/KitGridNode.h"

namespace {

// Markers in the tables: a property the style does not write, and the
// application colour lightened by 60 % or 20 %.
constexpr TColor kKeep = TColor(0x7F000001);
constexpr TColor kApp60 = TColor(0x7F000002);
constexpr TColor kApp20 = TColor(0x7F000003);
// The search footer's second colour taken from the grid's current
// VDXGradientMirrorTo.
constexpr TColor kMirrorTo = TColor(0x7F000004);
constexpr TColor kNone = clNone;
constexpr TColor kFace = clBtnFace;

constexpr int kNoLook = -1;
constexpr int kNoSel = -1;

struct TStyleColors {
  TVDXStyle Style;
  int Look;  // TGridLook or kNoLook
  TColor Border, FixedColor;
  TColor Vdx[4];  // From, To, MirrorFrom, MirrorTo
  TColor GridHoverBorder;
  TColor Fixed[4];  // control look From, To, MirrorFrom, MirrorTo
  TColor Hover[5];  // From, To, MirrorFrom, MirrorTo, Border
  TColor Down[5];
  TColor Active[2];
  TColor Sort[3];  // Color and ColorTo, MirrorColor, MirrorColorTo
  TColor Selection, SelectionTo, SelectionText;
  int SelectionStyle;  // TGridSelectionStyle or kNoSel
  TColor Footer[2];
  TColor GridLine, FixedLine;
  TColor ActiveFont, FixedFont, CellFont;
};

#define K kKeep
#define K5 {K, K, K, K, K}
#define K3 {K, K, K}
#define A60 {kApp60, kApp60, kApp60, kApp60, 0xB1B1B1}
#define A20 {kApp20, kApp20, kApp20, kApp20, 0xABABAB}
#define Q4(c) {c, c, c, c}
#define Q3(c) {c, c, c}
#define HOVER13 {0xFCF0E4, 0xFCF0E4, 0xFCF0E4, 0xFCF0E4, 0xEAB47E}
#define DOWN13 {0xFCE2C8, 0xFCE2C8, 0xFCE2C8, 0xFCE2C8, 0xE59D56}
#define HOVER10 {0x6BDFFF, 0xAFEFFF, 0xAFEFFF, 0xE6FCFF, 0x3ABFE8}
#define DOWN10 {0x5BD5FF, 0x64E0FF, 0x64E0FF, 0x71EFFF, 0x308AC2}
#define HOVER8 {0xF7EFE8, 0xF7EFE8, 0xF7EFE8, 0xF7EFE8, 0xF9CEA4}
#define DOWN8 {0xF7E0C9, 0xF7E0C9, 0xF7E0C9, 0xF7E0C9, 0xE4A262}

// clang-format off
const TStyleColors kStyles[] = {
  {tsOffice2003Blue, glXP, K, K, {0xFCE1CB, 0xE0A57D, kNone, kNone}, K, {0xFCE1CB, 0xE0A57D, K, K}, K5, K5,
   {0x94E6FB, 0x1595EE}, K3, 0x94E6FB, 0x1595EE, 0x000000, kNoSel, {0xFCE1CB, kNone}, 0xC0C0C0, 0x808080, K, K, K},
  {tsOffice2003Silver, glXP, K, K, {0xECE2E1, 0xB39698, kNone, kNone}, K, {0xECE2E1, 0xB39698, K, K}, K5, K5,
   {0x94E6FB, 0x1595EE}, K3, 0x94E6FB, 0x1595EE, 0x000000, kNoSel, {0xECE2E1, kNone}, 0xC0C0C0, 0x808080, K, K, K},
  {tsOffice2003Olive, glXP, K, K, {0xCFF0EA, 0x8CC0B1, kNone, kNone}, K, {0xCFF0EA, 0x8CC0B1, K, K}, K5, K5,
   {0x94E6FB, 0x1595EE}, K3, 0x94E6FB, 0x1595EE, 0x000000, kNoSel, {0xCFF0EA, kNone}, 0xC0C0C0, 0x808080, K, K, K},
  {tsOffice2003Classic, glXP, K, K, {0xFFFFFF, 0xCCD4D8, kNone, kNone}, K, {kNone, kNone, K, K}, K5, K5,
   {0xD8D5D4, 0xD8D5D4}, K3, K, K, K, kNoSel, {0xFFFFFF, kNone}, 0xC0C0C0, 0x808080, K, K, K},
  {tsOffice2007Luna, glOffice2007, K, K, {0xFBF9F6, 0xE8DBD2, kNone, kNone}, K, {0xFBF9F6, 0xE8DBD2, K, K},
   {0xE4E2DF, 0xDBD3CD, 0xDBD3CD, 0xD2C5BC, 0xB79F87}, {0xE4C19D, 0xE4C19D, 0xE4C19D, 0xE4C19D, 0xE4C19D}, {0x9DD8F9, 0x5EC1F1}, K3,
   0x5EC1F1, K, 0x000000, ssOffice2007, {0xFBF9F6, kNone}, 0xF1EDEB, 0xD1BBA4, K, K, K},
  {tsOffice2007Obsidian, glOffice2007, K, K, {0xF7F7F7, 0xDEDEDE, kNone, kNone}, K, {0xF7F7F7, 0xDEDEDE, K, K}, K5,
   K5, {0x9DD8F9, 0x5EC1F1}, K3, 0x5EC1F1, K, 0x000000, kNoSel, {0xF7F7F7, kNone}, 0xE5D7D0, 0x808080, K, K, K},
  {tsWindowsXP, glXP, K, K, {kFace, kFace, kNone, kNone}, K, {kNone, kNone, K, K}, K5, K5, {kFace, kFace}, K3, K, K,
   K, kNoSel, {kFace, kNone}, 0xC0C0C0, 0x808080, K, K, K},
  {tsWhidbey, kNoLook, K, K, {0xFFFFFF, kFace, kNone, kNone}, K, {kNone, kNone, K, K}, K5, K5, {0x94E6FB, 0x1595EE},
   K3, K, K, K, kNoSel, {0xFFFFFF, kNone}, 0xC0C0C0, 0x808080, K, K, K},
  {tsOffice2007Silver, glOffice2007, K, K, {0xF3F3F1, 0xCAC9C8, K, K}, K, {0xF3F3F1, 0xCAC9C8, K, K}, K5, K5,
   {0x99CCFF, 0x699CFF}, K3, 0x95C7F5, K, 0x000000, kNoSel, {0xF3F3F1, kMirrorTo}, 0xE5D7D0, 0x808080, K, K, K},
  {tsWindowsVista, glVista, K, K, {0xFFFFFF, 0xFFFFFF, 0xFAF8F7, 0xF4F2F1}, 0xE3C993,
   {kNone, kNone, 0xFAF8F7, 0xF4F2F1}, {0xFFF7E3, 0xFFF7E3, 0xFFEDBD, 0xFBE7B7, K},
   {0xF9E4BC, 0xF9E4BC, 0xF7D68D, 0xF5D18A, 0xAE904F}, {0xFDF8F1, 0xFCEFD5}, {0xFCF9F2, 0xF9F1E1, 0xF6ECD8},
   0xEACAB6, K, 0x000000, ssVista, {0xFFFFFF, 0xF4F2F1}, 0xECECF0, 0xD4D2D1, K, K, K},
  {tsWindows7, glWin7, K, K, {0xFDFCFA, 0xFAF0E6, 0xF4E6DC, 0xF7E9DD}, 0xEEE8E3,
   {kNone, kNone, 0xF4E6DC, 0xF7E9DD}, {0xFEFBF8, 0xFAF2ED, 0xF4E4D7, 0xE8D2C1, K},
   {0xF1E8DD, 0xF1E4D8, 0xECDBCF, 0xEDDCCF, 0xD5BCAA}, {0xFCEBDC, 0xFCDBC1}, {0xFCF9F2, 0xF9F1E1, 0xF6ECD8},
   0xEACAB6, K, 0x000000, ssWin7, {0xFDFCFA, 0xF7E9DD}, 0xECECF0, 0xD4D2D1, K, K, K},
  {tsOffice2010Blue, glOffice2007, K, K, Q4(0xF5E7DA), K, {kNone, kNone, 0xF5E7DA, 0xF5E7DA}, HOVER10, DOWN10,
   {0x5BD5FF, 0x71EFFF}, Q3(0xD6CEC7), 0xFFDBB7, K, 0x000000, ssDefault, {0xF5E7DA, 0xF5E7DA}, 0xC0C0C0, 0xC7B0A0,
   K, K, K},
  {tsOffice2010Silver, glOffice2007, K, K, Q4(0xE8E3DF), K, {kNone, kNone, 0xE8E3DF, 0xE8E3DF}, HOVER10, DOWN10,
   {0x5BD5FF, 0x71EFFF}, Q3(0xAAAAAA), 0xFFDBB7, K, 0x000000, ssDefault, {0xE8E3DF, 0xE8E3DF}, 0xC0C0C0, 0xBAB5B1,
   K, K, K},
  {tsOffice2010Black, glOffice2007, K, K, Q4(0x6A6A6A), K, {kNone, kNone, 0x6A6A6A, 0x6A6A6A}, HOVER10, DOWN10,
   {0x5BD5FF, 0x71EFFF}, Q3(0xBABABA), 0xFFDBB7, K, 0x000000, ssDefault, {0x6A6A6A, 0x6A6A6A}, 0xC0C0C0, 0x444444,
   K, K, K},
  {tsWindows8, glOffice2007, 0xE4E3E2, K, Q4(0xF7F6F5), K, {kNone, kNone, 0xF7F6F5, 0xF7F6F5}, HOVER8, DOWN8,
   {0xF7F6F5, 0xF7F6F5}, Q3(0xF7F6F5), 0xDAA026, K, 0xFFFFFF, ssDefault, {0xF7F6F5, 0xF7F6F5}, 0xDCDBDA, 0xDCDBDA,
   K, K, K},
  {tsOffice2013White, glOffice2007, 0xD4D4D4, K, Q4(0xEEEEEE), K, {kNone, kNone, 0xEEEEEE, 0xEEEEEE}, HOVER13, DOWN13,
   {0xEEEEEE, 0xEEEEEE}, Q3(0xEEEEEE), 0xDAA026, K, 0xFFFFFF, ssDefault, {0xEEEEEE, 0xEEEEEE}, 0xD4D4D4, 0xD4D4D4,
   K, K, K},
  {tsOffice2013LightGray, glOffice2007, 0xC6C6C6, K, Q4(0xFAFAFA), K, {kNone, kNone, 0xFAFAFA, 0xFAFAFA}, HOVER13,
   DOWN13, {0xFAFAFA, 0xFAFAFA}, Q3(0xFAFAFA), 0xDAA026, K, 0xFFFFFF, ssDefault, {0xFAFAFA, 0xFAFAFA}, 0xC6C6C6,
   0xC6C6C6, K, K, K},
  {tsOffice2013Gray, glOffice2007, 0xABABAB, K, Q4(0xF3F3F3), K, {kNone, kNone, 0xF3F3F3, 0xF3F3F3}, HOVER13, DOWN13,
   {0xF3F3F3, 0xF3F3F3}, Q3(0xF3F3F3), 0xDAA026, K, 0xFFFFFF, ssDefault, {0xF3F3F3, 0xF3F3F3}, 0xABABAB, 0xABABAB,
   K, K, K},
  {tsWindows10, glOffice2007, 0xE4E3E2, K, Q4(0xF7F6F5), K, {kNone, kNone, 0xF7F6F5, 0xF7F6F5}, HOVER8, DOWN8,
   {0xF7F6F5, 0xF7F6F5}, Q3(0xF7F6F5), 0xDAA026, K, 0xFFFFFF, ssDefault, {0xF7F6F5, 0xF7F6F5}, 0xDCDBDA, 0xDCDBDA,
   K, K, K},
  {tsOffice2016White, glOffice2007, 0xABABAB, K, Q4(0xFFFFFF), K, {kNone, kNone, 0xFFFFFF, 0xFFFFFF}, A60, A20,
   {0xE1E1E1, 0xE1E1E1}, Q3(0xFFFFFF), 0xC6C6C6, K, 0x000000, ssDefault, {0xFFFFFF, 0xFFFFFF}, 0xD4D4D4, 0xD5D5D5,
   K, K, K},
  {tsOffice2016Gray, glOffice2007, 0x999999, K, Q4(0x6A6A6A), K, {kNone, kNone, 0x6A6A6A, 0x6A6A6A}, A60, A20,
   {0x262626, 0x262626}, Q3(0x6A6A6A), 0xC6C6C6, K, 0x000000, ssDefault, {0x6A6A6A, 0x6A6A6A}, 0xD4D4D4, 0xD3D3D3,
   0xFFFFFF, 0xFFFFFF, K},
  {tsOffice2016Black, glOffice2007, 0x999999, K, Q4(0x252525), K, {kNone, kNone, 0x252525, 0x252525}, A60, A20,
   {0x646464, 0x646464}, Q3(0x252525), 0xC6C6C6, K, 0x000000, ssDefault, {0x252525, 0x252525}, 0xD4D4D4, 0xB0B0B0,
   0xFFFFFF, 0xFFFFFF, K},
  {tsOffice2019White, glCustom, 0xABABAB, 0xFFFFFF, Q4(0xFFFFFF), K, {0xFFFFFF, 0xFFFFFF, kNone, kNone}, A60, A20,
   {0xB0784A, 0xB0784A}, Q3(0xFFFFFF), 0xD1B9A5, K, 0x000000, ssDefault, {0xFFFFFF, 0xFFFFFF}, 0xD4D4D4, 0xABABAB,
   0x444648, 0x3B3B3B, K},
  {tsOffice2019Gray, glCustom, 0x999999, 0x666666, Q4(0x666666), K, Q4(0x666666), A60, A20, {0x262626, 0x262626},
   Q3(0x666666), 0x969696, K, 0x000000, ssDefault, {0x666666, 0x666666}, 0xD4D4D4, 0x999999, 0xFFFFFF, 0xFFFFFF, K},
  {tsOffice2019Black, glCustom, 0x999999, 0x262626, Q4(0x262626), K, Q4(0x262626), A60, A20, {0x646464, 0x646464},
   Q3(0x262626), 0x5C5E60, K, 0xFFFFFF, ssDefault, {0x262626, 0x262626}, 0xD4D4D4, 0x999999, 0xFFFFFF, 0xFFFFFF,
   0x232425},
};
// clang-format on

#undef K
#undef K5
#undef K3
#undef A60
#undef A20
#undef Q4
#undef Q3
#undef HOVER13
#undef DOWN13
#undef HOVER10
#undef DOWN10
#undef HOVER8
#undef DOWN8

const TStyleColors* FindStyle(TVDXStyle AStyle) {
  for (const TStyleColors& s : kStyles)
    if (s.Style == AStyle) return &s;
  return nullptr;  // tsCustom, tsTerminal: no colours of their own
}

}  // namespace

void TKitStringGrid::SetStyleAndAppColor(TVDXStyle AStyle, TColor AppColor) {
  // Whatever the style: the plain selection, no sort-header colours, the
  // default font colours and the control look's initial colours.
  SetSelectionColor(clHighlight);
  SetSelectionColorTo(clNone);
  SetSelectionMirrorColor(clNone);
  SetSelectionMirrorColorTo(clNone);
  SetSelectionTextColor(clHighlightText);
  SetSelectionStyle(ssDefault);
  FSortSettings->SetHeaderColor(clNone);
  FSortSettings->SetHeaderColorTo(clNone);
  FSortSettings->SetHeaderMirrorColor(clNone);
  FSortSettings->SetHeaderMirrorColorTo(clNone);
  FActiveCellFont->SetColor(clWindowText);
  FFixedFont->SetColor(0x000000);
  Font()->SetColor(clWindowText);
  FControlLook->Init();

  if (AStyle == tsTerminal) SetLook(glStandard);
  const TStyleColors* s = FindStyle(AStyle);
  if (s == nullptr) {
    Invalidate();
    return;
  }

  const bool hasApp = AppColor != clNone;
  auto value = [&](TColor c) {
    if (c == kApp60) return DarkenColor(AppColor, -60);
    if (c == kApp20) return DarkenColor(AppColor, -20);
    return c;
  };

  // The look first: a changed look lays its own defaults under the table.
  if (s->Look != kNoLook) SetLook(TGridLook(s->Look));
  if (s->Border != kKeep) FBorderColor = s->Border;
  if (s->FixedColor != kKeep) SetFixedColor(s->FixedColor);

  // The grid's fixed-cell gradients, written directly.
  if (s->Vdx[0] != kKeep) FVDXGradientFrom = s->Vdx[0];
  if (s->Vdx[1] != kKeep) FVDXGradientTo = s->Vdx[1];
  if (s->Vdx[2] != kKeep) FVDXGradientMirrorFrom = s->Vdx[2];
  if (s->Vdx[3] != kKeep) FVDXGradientMirrorTo = s->Vdx[3];
  if (s->GridHoverBorder != kKeep) FVDXGradients.insert(QStringLiteral("VDXGradientHoverBorder"), s->GridHoverBorder);

  // The control look's gradients (each copies itself to the grid). Direct
  // calls: GCC's bounds check misreads a call through an array of member
  // function pointers (it took a code address for the array index).
  TControlLook* cl = FControlLook.get();
  if (s->Fixed[0] != kKeep) cl->SetFixedGradientFrom(s->Fixed[0]);
  if (s->Fixed[1] != kKeep) cl->SetFixedGradientTo(s->Fixed[1]);
  if (s->Fixed[2] != kKeep) cl->SetFixedGradientMirrorFrom(s->Fixed[2]);
  if (s->Fixed[3] != kKeep) cl->SetFixedGradientMirrorTo(s->Fixed[3]);
  if (s->Hover[0] != kKeep) cl->SetFixedGradientHoverFrom(value(s->Hover[0]));
  if (s->Hover[1] != kKeep) cl->SetFixedGradientHoverTo(value(s->Hover[1]));
  if (s->Hover[2] != kKeep) cl->SetFixedGradientHoverMirrorFrom(value(s->Hover[2]));
  if (s->Hover[3] != kKeep) cl->SetFixedGradientHoverMirrorTo(value(s->Hover[3]));
  if (s->Hover[4] != kKeep) cl->SetFixedGradientHoverBorder(value(s->Hover[4]));
  if (s->Down[0] != kKeep) cl->SetFixedGradientDownFrom(value(s->Down[0]));
  if (s->Down[1] != kKeep) cl->SetFixedGradientDownTo(value(s->Down[1]));
  if (s->Down[2] != kKeep) cl->SetFixedGradientDownMirrorFrom(value(s->Down[2]));
  if (s->Down[3] != kKeep) cl->SetFixedGradientDownMirrorTo(value(s->Down[3]));
  if (s->Down[4] != kKeep) cl->SetFixedGradientDownBorder(value(s->Down[4]));

  // The active cell, without repaint.
  const bool appActive = hasApp && (AStyle == tsOffice2019White || AStyle == tsOffice2019Gray);
  if (s->Active[0] != kKeep) FActiveCellColor = appActive ? AppColor : s->Active[0];
  if (s->Active[1] != kKeep) FActiveCellColorTo = appActive ? AppColor : s->Active[1];

  // The sort headers.
  if (s->Sort[0] != kKeep) {
    FSortSettings->SetHeaderColor(s->Sort[0]);
    FSortSettings->SetHeaderColorTo(s->Sort[0]);
    FSortSettings->SetHeaderMirrorColor(s->Sort[1]);
    FSortSettings->SetHeaderMirrorColorTo(s->Sort[2]);
  }

  // The selection.
  if (s->Selection != kKeep) SetSelectionColor(appActive ? DarkenColor(AppColor, -20) : s->Selection);
  if (s->SelectionTo != kKeep) SetSelectionColorTo(s->SelectionTo);
  if (s->SelectionText != kKeep) SetSelectionTextColor(s->SelectionText);
  if (s->SelectionStyle != kNoSel) SetSelectionStyle(TGridSelectionStyle(s->SelectionStyle));

  // The search footer and the lines.
  if (s->Footer[0] != kKeep) FSearchFooter->SetColor(s->Footer[0]);
  if (s->Footer[1] != kKeep) FSearchFooter->SetColorTo(s->Footer[1] == kMirrorTo ? FVDXGradientMirrorTo : s->Footer[1]);
  if (s->GridLine != kKeep) SetGridLineColor(s->GridLine);
  if (s->FixedLine != kKeep) SetGridFixedLineColor(s->FixedLine);

  // The fonts. Office 2016 White shows the active cell in the application
  // colour; without one the default font colour stays (no colour at all
  // would leave the text unreadable).
  if (AStyle == tsOffice2016White) {
    if (hasApp) FActiveCellFont->SetColor(AppColor);
  } else {
    if (s->ActiveFont != kKeep) FActiveCellFont->SetColor(s->ActiveFont);
    if (s->FixedFont != kKeep) FFixedFont->SetColor(s->FixedFont);
    if (s->CellFont != kKeep) Font()->SetColor(s->CellFont);
  }
  Invalidate();
}

void TKitStringGrid::SetComponentStyleAndAppColor(TVDXStyle AStyle, TColor AppColor) {
  FUIStyle = AStyle;
  if (AStyle == tsCustom) return;
  SetStyleAndAppColor(AStyle, AppColor);
  // (The grid creates no drop-down editors of its own, so none is told.)
  if (FScrollType == ssMetro) FScrollType = ssNormal;
  if (HandleAllocated()) ComponentStyleChanged();
  FUIStyle = AStyle;
}

void TKitStringGrid::SetColorTones(const TColorTones& ATones) {
  FColorTones = ATones;
  SetLook(glClassic);
  SetFlat(true);
  FScrollType = ssMetro;

  SetFixedColor(ATones.Foreground.BrushColor);
  FFixedFont->SetColor(ATones.Foreground.TextColor);
  FFixedFont->SetName(GetMetroFontName());
  Font()->SetName(GetMetroFontName());
  SetColor(ATones.Background.BrushColor);
  Font()->SetColor(ATones.Background.TextColor);

  SetSelectionColor(ATones.Selected.BrushColor);
  SetSelectionTextColor(ATones.Selected.TextColor);
  SetSelectionColorTo(clNone);

  SetGridLineColor(0xE6E6E6);
  SetGridFixedLineColor(ChangeColorPercent(ATones.Foreground.BrushColor, -20));
  SetBorderStyle(bsNone);

  // Check boxes and radio buttons take the flat metro glyphs.
  FControlLook->SetControlStyle(TControlLook::csGlyph);
  {
    TBitmap glyph;
    if (LoadGridBitmap(QStringLiteral("metrocheckon"), &glyph)) FControlLook->SetCheckedGlyph(&glyph);
    if (LoadGridBitmap(QStringLiteral("metrocheckoff"), &glyph)) FControlLook->SetUnCheckedGlyph(&glyph);
    if (LoadGridBitmap(QStringLiteral("metroradioon"), &glyph)) FControlLook->SetRadioOnGlyph(&glyph);
    if (LoadGridBitmap(QStringLiteral("metroradiooff"), &glyph)) FControlLook->SetRadioOffGlyph(&glyph);
  }
  // (The in-place editors and drop-down editors that take the tones' button
  // colours are not part of the grid yet.)
  FControlLook->SetFlatButton(true);
  FFloatingFooter->SetColor(ATones.Foreground.BrushColor);
  FSearchFooter->SetColor(ATones.Foreground.BrushColor);
  FSearchFooter->SetColorTo(ATones.Foreground.BrushColor);
  FCellNode->SetNodeType(cnFlat);
  Invalidate();
}

void TKitStringGrid::SetTheme(TXPColorScheme Scheme) {
  struct TScheme {
    TColor From, To, MirrorFrom, MirrorTo, Active, ActiveTo, Footer, FooterTo;
  };
  static const TScheme kSchemes[] = {
      {0xFFFFFF, clBtnFace, clNone, clNone, 0xFFFFFF, 0xFFD9B3, 0xFFFFFF, 0xFFD9B3},    // xpNone
      {0xFCE1CB, 0xE0A57D, clNone, clNone, 0x94E6FB, 0x1595EE, 0xFCE1CB, 0xE0A57D},    // xpBlue
      {0xCFF0EA, 0x8CC0B1, clNone, clNone, 0x94E6FB, 0x1595EE, 0xCFF0EA, 0x8CC0B1},    // xpGreen
      {0xECE2E1, 0xB39698, clNone, clNone, 0x94E6FB, 0x1595EE, 0xECE2E1, 0xB39698},    // xpGray
      {0xFFFFFF, 0xFFFFFF, 0xFAF8F7, 0xF4F2F1, 0x94E6FB, 0x1595EE, 0xECE2E1, 0xB39698}  // vistaAero
  };
  if (Scheme < xpNone || Scheme > vistaAero) return;
  const TScheme& t = kSchemes[Scheme];
  FVDXGradientFrom = t.From;
  FVDXGradientTo = t.To;
  FVDXGradientMirrorFrom = t.MirrorFrom;
  FVDXGradientMirrorTo = t.MirrorTo;
  FActiveCellColor = t.Active;
  FActiveCellColorTo = t.ActiveTo;
  FSearchFooter->SetColor(t.Footer);
  FSearchFooter->SetColorTo(t.FooterTo);
  // The control look's fixed gradient follows (it copies only real colours
  // to the grid, so xpNone keeps the grid's own From and To).
  FControlLook->SetFixedGradientFrom(Scheme == xpNone ? clNone : t.From);
  FControlLook->SetFixedGradientTo(Scheme == xpNone ? clNone : t.To);
}

void TKitStringGrid::AdaptToOfficeTheme() {
  if (ComponentState().Contains(csDesigning)) return;
  const TOfficeTheme theme = GetOfficeTheme();
  if (theme == FPrevOfficeTheme) return;
  static const TVDXStyle kByTheme[] = {
      tsOffice2003Blue,      tsOffice2003Silver, tsOffice2003Olive,  tsOffice2003Classic, tsOffice2007Luna,
      tsOffice2007Silver,    tsOffice2007Obsidian, tsOffice2010Blue, tsOffice2010Silver,  tsOffice2010Black,
      tsOffice2013White,     tsOffice2013LightGray, tsOffice2013Gray, tsOffice2016White,  tsOffice2016Gray,
      tsOffice2016Black,     tsOffice2019White,  tsOffice2019Gray,   tsOffice2019Black};
  static_assert(std::size(kByTheme) == otUnknown, "one style per known theme");
  if (theme != otUnknown) SetComponentStyle(kByTheme[theme]);
  FPrevOfficeTheme = theme;
}

void TKitStringGrid::SetAutoThemeAdapt(bool Value) {
  const bool switchedOn = Value && !FAutoThemeAdapt;
  FAutoThemeAdapt = Value;
  if (switchedOn) AdaptToOfficeTheme();
}
