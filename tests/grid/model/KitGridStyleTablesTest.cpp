// The grid's named colour styles, colour tones, XP colour schemes and the
// Office theme adaptation: sample colours of every style on a fresh grid,
// the application-colour path, the tones' metro look and what a later style
// keeps of it, the look presets' interplay with the tables, and two grids
// painted (a dark style, and a style under the "Amethyst Kamri" visual style).

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>

#include "foundation/KitStyles.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridDraw.h"
#include "grid/model/KitGridNode.h"
#include "platform/rtl/Registry.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Themes.h"
#include "tests/harness/Harness.h"
#include "tests/support/PixelProbes.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr TColor kAny = TColor(0x7EEEEEEE);  // not checked for this style
constexpr TColor kNone = clNone;

class GridStyleTest : public ::testing::Test {
 protected:
  void SetUp() override { Grid = CreateUnique<TKitStringGrid>(nullptr); }
  TColor Hover(const char* Name) const { return Grid->VDXGradientColor(QString::fromLatin1(Name)); }
  std::unique_ptr<TKitStringGrid> Grid;
};

struct TStyleCase {
  TVDXStyle Style;
  TGridLook Look;
  TColor Border, VdxFrom, VdxMirrorTo;
  TColor Active, ActiveTo;
  TColor Selection, SelectionText;
  TGridSelectionStyle SelStyle;
  TColor GridLine, FixedLine;
  TColor Footer, FooterTo;
  TColor HoverFrom, DownBorder;  // the grid's VDXGradientHoverFrom, the control look's down border
  TColor SortHeader, SortMirrorTo;
  TColor ActiveFont, FixedFont, CellFont;
};

const TColor B = 0xB99D7F;  // the looks' border colour
const TColor H = clHighlight, HT = clHighlightText, WT = clWindowText;

// Each style applied with SetComponentStyle to a fresh grid (look glXP).
// Styles of the look glOffice2007 on a grid of another look first get the
// look's own table (Office 2007 Luna), so values they do not write come
// from there: the selection style of Obsidian and Silver is ssOffice2007.
const TStyleCase kStyleCases[] = {
    {tsOffice2003Blue, glXP, B, 0xFCE1CB, kNone, 0x94E6FB, 0x1595EE, 0x94E6FB, 0x000000, ssDefault, 0xC0C0C0,
     0x808080, 0xFCE1CB, kNone, kAny, kAny, kNone, kNone, WT, 0x000000, WT},
    {tsOffice2003Silver, glXP, B, 0xECE2E1, kNone, 0x94E6FB, 0x1595EE, 0x94E6FB, 0x000000, ssDefault, 0xC0C0C0,
     0x808080, 0xECE2E1, kNone, kAny, kAny, kNone, kNone, WT, 0x000000, WT},
    {tsOffice2003Olive, glXP, B, 0xCFF0EA, kNone, 0x94E6FB, 0x1595EE, 0x94E6FB, 0x000000, ssDefault, 0xC0C0C0,
     0x808080, 0xCFF0EA, kNone, kAny, kAny, kNone, kNone, WT, 0x000000, WT},
    {tsOffice2003Classic, glXP, B, 0xFFFFFF, kNone, 0xD8D5D4, 0xD8D5D4, H, HT, ssDefault, 0xC0C0C0, 0x808080, 0xFFFFFF,
     kNone, kAny, kAny, kNone, kNone, WT, 0x000000, WT},
    {tsOffice2007Luna, glOffice2007, B, 0xFBF9F6, kNone, 0x9DD8F9, 0x5EC1F1, 0x5EC1F1, 0x000000, ssOffice2007,
     0xF1EDEB, 0xD1BBA4, 0xFBF9F6, kNone, 0xE4E2DF, 0xE4C19D, kNone, kNone, WT, 0x000000, WT},
    {tsOffice2007Obsidian, glOffice2007, B, 0xF7F7F7, kNone, 0x9DD8F9, 0x5EC1F1, 0x5EC1F1, 0x000000, ssOffice2007,
     0xE5D7D0, 0x808080, 0xF7F7F7, kNone, kAny, kAny, kNone, kNone, WT, 0x000000, WT},
    {tsWindowsXP, glXP, B, clBtnFace, kNone, clBtnFace, clBtnFace, H, HT, ssDefault, 0xC0C0C0, 0x808080, clBtnFace,
     kNone, kAny, kAny, kNone, kNone, WT, 0x000000, WT},
    {tsWhidbey, glXP, B, 0xFFFFFF, kNone, 0x94E6FB, 0x1595EE, H, HT, ssDefault, 0xC0C0C0, 0x808080, 0xFFFFFF, kNone,
     kAny, kAny, kNone, kNone, WT, 0x000000, WT},
    {tsOffice2007Silver, glOffice2007, B, 0xF3F3F1, kAny, 0x99CCFF, 0x699CFF, 0x95C7F5, 0x000000, ssOffice2007,
     0xE5D7D0, 0x808080, 0xF3F3F1, kAny, kAny, kAny, kNone, kNone, WT, 0x000000, WT},
    {tsWindowsVista, glVista, B, 0xFFFFFF, 0xF4F2F1, 0xFDF8F1, 0xFCEFD5, 0xEACAB6, 0x000000, ssVista, 0xECECF0,
     0xD4D2D1, 0xFFFFFF, 0xF4F2F1, 0xFFF7E3, 0xAE904F, 0xFCF9F2, 0xF6ECD8, WT, 0x000000, WT},
    {tsWindows7, glWin7, B, 0xFDFCFA, 0xF7E9DD, 0xFCEBDC, 0xFCDBC1, 0xEACAB6, 0x000000, ssWin7, 0xECECF0, 0xD4D2D1,
     0xFDFCFA, 0xF7E9DD, 0xFEFBF8, 0xD5BCAA, 0xFCF9F2, 0xF6ECD8, WT, 0x000000, WT},
    {tsOffice2010Blue, glOffice2007, B, 0xF5E7DA, 0xF5E7DA, 0x5BD5FF, 0x71EFFF, 0xFFDBB7, 0x000000, ssDefault,
     0xC0C0C0, 0xC7B0A0, 0xF5E7DA, 0xF5E7DA, 0x6BDFFF, 0x308AC2, 0xD6CEC7, 0xD6CEC7, WT, 0x000000, WT},
    {tsOffice2010Silver, glOffice2007, B, 0xE8E3DF, 0xE8E3DF, 0x5BD5FF, 0x71EFFF, 0xFFDBB7, 0x000000, ssDefault,
     0xC0C0C0, 0xBAB5B1, 0xE8E3DF, 0xE8E3DF, 0x6BDFFF, 0x308AC2, 0xAAAAAA, 0xAAAAAA, WT, 0x000000, WT},
    {tsOffice2010Black, glOffice2007, B, 0x6A6A6A, 0x6A6A6A, 0x5BD5FF, 0x71EFFF, 0xFFDBB7, 0x000000, ssDefault,
     0xC0C0C0, 0x444444, 0x6A6A6A, 0x6A6A6A, 0x6BDFFF, 0x308AC2, 0xBABABA, 0xBABABA, WT, 0x000000, WT},
    {tsWindows8, glOffice2007, 0xE4E3E2, 0xF7F6F5, 0xF7F6F5, 0xF7F6F5, 0xF7F6F5, 0xDAA026, 0xFFFFFF, ssDefault,
     0xDCDBDA, 0xDCDBDA, 0xF7F6F5, 0xF7F6F5, 0xF7EFE8, 0xE4A262, 0xF7F6F5, 0xF7F6F5, WT, 0x000000, WT},
    {tsOffice2013White, glOffice2007, 0xD4D4D4, 0xEEEEEE, 0xEEEEEE, 0xEEEEEE, 0xEEEEEE, 0xDAA026, 0xFFFFFF, ssDefault,
     0xD4D4D4, 0xD4D4D4, 0xEEEEEE, 0xEEEEEE, 0xFCF0E4, 0xE59D56, 0xEEEEEE, 0xEEEEEE, WT, 0x000000, WT},
    {tsOffice2013LightGray, glOffice2007, 0xC6C6C6, 0xFAFAFA, 0xFAFAFA, 0xFAFAFA, 0xFAFAFA, 0xDAA026, 0xFFFFFF,
     ssDefault, 0xC6C6C6, 0xC6C6C6, 0xFAFAFA, 0xFAFAFA, 0xFCF0E4, 0xE59D56, 0xFAFAFA, 0xFAFAFA, WT, 0x000000, WT},
    {tsOffice2013Gray, glOffice2007, 0xABABAB, 0xF3F3F3, 0xF3F3F3, 0xF3F3F3, 0xF3F3F3, 0xDAA026, 0xFFFFFF, ssDefault,
     0xABABAB, 0xABABAB, 0xF3F3F3, 0xF3F3F3, 0xFCF0E4, 0xE59D56, 0xF3F3F3, 0xF3F3F3, WT, 0x000000, WT},
    {tsWindows10, glOffice2007, 0xE4E3E2, 0xF7F6F5, 0xF7F6F5, 0xF7F6F5, 0xF7F6F5, 0xDAA026, 0xFFFFFF, ssDefault,
     0xDCDBDA, 0xDCDBDA, 0xF7F6F5, 0xF7F6F5, 0xF7EFE8, 0xE4A262, 0xF7F6F5, 0xF7F6F5, WT, 0x000000, WT},
    // Without an application colour the lightened colours are white.
    {tsOffice2016White, glOffice2007, 0xABABAB, 0xFFFFFF, 0xFFFFFF, 0xE1E1E1, 0xE1E1E1, 0xC6C6C6, 0x000000, ssDefault,
     0xD4D4D4, 0xD5D5D5, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xABABAB, 0xFFFFFF, 0xFFFFFF, WT, 0x000000, WT},
    {tsOffice2016Gray, glOffice2007, 0x999999, 0x6A6A6A, 0x6A6A6A, 0x262626, 0x262626, 0xC6C6C6, 0x000000, ssDefault,
     0xD4D4D4, 0xD3D3D3, 0x6A6A6A, 0x6A6A6A, 0xFFFFFF, 0xABABAB, 0x6A6A6A, 0x6A6A6A, 0xFFFFFF, 0xFFFFFF, WT},
    {tsOffice2016Black, glOffice2007, 0x999999, 0x252525, 0x252525, 0x646464, 0x646464, 0xC6C6C6, 0x000000, ssDefault,
     0xD4D4D4, 0xB0B0B0, 0x252525, 0x252525, 0xFFFFFF, 0xABABAB, 0x252525, 0x252525, 0xFFFFFF, 0xFFFFFF, WT},
    // Its control look's mirror colours (none) copy themselves over the
    // grid's white ones.
    {tsOffice2019White, glCustom, 0xABABAB, 0xFFFFFF, kNone, 0xB0784A, 0xB0784A, 0xD1B9A5, 0x000000, ssDefault,
     0xD4D4D4, 0xABABAB, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xABABAB, 0xFFFFFF, 0xFFFFFF, 0x444648, 0x3B3B3B, WT},
    {tsOffice2019Gray, glCustom, 0x999999, 0x666666, 0x666666, 0x262626, 0x262626, 0x969696, 0x000000, ssDefault,
     0xD4D4D4, 0x999999, 0x666666, 0x666666, 0xFFFFFF, 0xABABAB, 0x666666, 0x666666, 0xFFFFFF, 0xFFFFFF, WT},
    {tsOffice2019Black, glCustom, 0x999999, 0x262626, 0x262626, 0x646464, 0x646464, 0x5C5E60, 0xFFFFFF, ssDefault,
     0xD4D4D4, 0x999999, 0x262626, 0x262626, 0xFFFFFF, 0xABABAB, 0x262626, 0x262626, 0xFFFFFF, 0xFFFFFF, 0x232425},
};

}  // namespace

TEST_F(GridStyleTest, EveryStyleWritesItsColours) {
  for (const TStyleCase& c : kStyleCases) {
    SetUp();
    // Colours no style table leaves alone unless it writes them.
    Grid->SetSelectionColor(0x0000FF);
    Grid->SetSelectionStyle(ssWin7);
    Grid->SortSettings()->SetHeaderColor(0x00FF00);
    Grid->Font()->SetColor(0x123456);
    Grid->SetComponentStyle(c.Style);
    const QString name = GetEnumName(TypeInfoOf<TVDXStyle>(), c.Style);
    SCOPED_TRACE(name.toStdString());
    EXPECT_EQ(Grid->UIStyle(), c.Style);
    EXPECT_EQ(Grid->Look(), c.Look);
    EXPECT_EQ(Grid->BorderColor(), c.Border);
    EXPECT_EQ(Grid->VDXGradientFrom(), c.VdxFrom);
    if (c.VdxMirrorTo != kAny) EXPECT_EQ(Grid->VDXGradientMirrorTo(), c.VdxMirrorTo);
    EXPECT_EQ(Grid->ActiveCellColor(), c.Active);
    EXPECT_EQ(Grid->ActiveCellColorTo(), c.ActiveTo);
    EXPECT_EQ(Grid->SelectionColor(), c.Selection);
    EXPECT_EQ(Grid->SelectionTextColor(), c.SelectionText);
    EXPECT_EQ(Grid->SelectionStyle(), c.SelStyle);
    EXPECT_EQ(Grid->GridLineColor(), c.GridLine);
    EXPECT_EQ(Grid->GridFixedLineColor(), c.FixedLine);
    EXPECT_EQ(Grid->SearchFooter()->Color(), c.Footer);
    if (c.FooterTo != kAny) EXPECT_EQ(Grid->SearchFooter()->ColorTo(), c.FooterTo);
    if (c.HoverFrom != kAny) EXPECT_EQ(Hover("VDXGradientHoverFrom"), c.HoverFrom);
    if (c.DownBorder != kAny) EXPECT_EQ(Grid->ControlLook()->FixedGradientDownBorder(), c.DownBorder);
    EXPECT_EQ(Grid->SortSettings()->HeaderColor(), c.SortHeader);
    EXPECT_EQ(Grid->SortSettings()->HeaderColorTo(), c.SortHeader);
    EXPECT_EQ(Grid->SortSettings()->HeaderMirrorColorTo(), c.SortMirrorTo);
    EXPECT_EQ(Grid->ActiveCellFont()->Color(), c.ActiveFont);
    EXPECT_EQ(Grid->FixedFont()->Color(), c.FixedFont);
    EXPECT_EQ(Grid->Font()->Color(), c.CellFont);
  }
}

TEST_F(GridStyleTest, SpecialStylesAndWhatTheyLeave) {
  // Office 2007 Silver writes no grid mirror colours: they are the control
  // look's initial ones (which the reset copies to the grid), and the
  // footer's second colour is taken from there.
  Grid->SetLook(glOffice2007);
  Grid->SetVDXGradientMirrorTo(0x102030);
  Grid->SetComponentStyle(tsOffice2007Silver);
  EXPECT_EQ(Grid->VDXGradientMirrorTo(), Grid->ControlLook()->FixedGradientMirrorTo());
  EXPECT_NE(Grid->VDXGradientMirrorTo(), 0x102030);
  EXPECT_EQ(Grid->SearchFooter()->ColorTo(), Grid->VDXGradientMirrorTo());
  EXPECT_EQ(Grid->SelectionStyle(), ssDefault) << "the look did not change, so Luna's selection is not laid under";

  // Vista and Windows 7 write the grid's hover border directly.
  Grid->SetComponentStyle(tsWindowsVista);
  EXPECT_EQ(Hover("VDXGradientHoverBorder"), 0xE3C993);
  Grid->SetComponentStyle(tsWindows7);
  EXPECT_EQ(Hover("VDXGradientHoverBorder"), 0xEEE8E3);
  EXPECT_EQ(Hover("VDXGradientDownFrom"), 0xF1E8DD);

  // Terminal sets only the look; Custom is stored and changes nothing.
  Grid->SetComponentStyle(tsTerminal);
  EXPECT_EQ(Grid->Look(), glStandard);
  EXPECT_EQ(Grid->FixedColor(), clBtnFace);
  EXPECT_EQ(Grid->SelectionColor(), clHighlight);
  Grid->SetSelectionColor(0x0000FF);
  Grid->SetGridLineColor(0x00FF00);
  Grid->SetComponentStyle(tsCustom);
  EXPECT_EQ(Grid->UIStyle(), tsCustom);
  EXPECT_EQ(Grid->SelectionColor(), 0x0000FF);
  EXPECT_EQ(Grid->GridLineColor(), 0x00FF00);
  // SetStyle with Custom applies only the prologue.
  Grid->SortSettings()->SetHeaderMirrorColor(0x00FF00);
  Grid->SetStyle(tsCustom);
  EXPECT_EQ(Grid->SelectionColor(), clHighlight);
  EXPECT_EQ(Grid->SelectionTextColor(), clHighlightText);
  EXPECT_EQ(Grid->SortSettings()->HeaderMirrorColor(), kNone);
  EXPECT_EQ(Grid->GridLineColor(), 0x00FF00);
}

TEST_F(GridStyleTest, LooksAndStylesMeetOnce) {
  // Setting the current look does nothing.
  Grid->SetSelectionColor(0x0000FF);
  Grid->SetLook(Grid->Look());
  EXPECT_EQ(Grid->SelectionColor(), 0x0000FF);
  // The Vista look applies the whole Vista table once and keeps ssVista.
  Grid->SetLook(glVista);
  EXPECT_EQ(Grid->UIStyle(), tsWindowsVista);
  EXPECT_EQ(Grid->SelectionStyle(), ssVista);
  EXPECT_EQ(Grid->ActiveCellColor(), 0xFDF8F1);
  EXPECT_EQ(Grid->VDXGradientMirrorFrom(), 0xFAF8F7);
  EXPECT_EQ(Grid->SortSettings()->HeaderMirrorColor(), 0xF9F1E1);
  // The UIStyle property goes through the component style.
  Grid->SetUIStyle(tsOffice2013Gray);
  EXPECT_EQ(Grid->UIStyle(), tsOffice2013Gray);
  EXPECT_EQ(Grid->GridLineColor(), 0xABABAB);
}

TEST_F(GridStyleTest, ApplicationColourLightensHoverAndPressedColours) {
  const TColor app = 0x3060C0;
  // Each channel times 1.6 (hover) and 1.2 (pressed), at most 255.
  const TColor app60 = 0x4D9AFF, app20 = 0x3A73E6;
  struct {
    TVDXStyle Style;
    TColor Active, Selection, ActiveFont;
  } cases[] = {
      {tsOffice2016White, 0xE1E1E1, 0xC6C6C6, app},
      {tsOffice2016Black, 0x646464, 0xC6C6C6, 0xFFFFFF},
      {tsOffice2019White, app, app20, 0x444648},
      {tsOffice2019Gray, app, app20, 0xFFFFFF},
      {tsOffice2019Black, 0x646464, 0x5C5E60, 0xFFFFFF},
  };
  for (const auto& c : cases) {
    SetUp();
    SCOPED_TRACE(GetEnumName(TypeInfoOf<TVDXStyle>(), c.Style).toStdString());
    Grid->SetComponentStyleAndAppColor(c.Style, app);
    EXPECT_EQ(Hover("VDXGradientHoverFrom"), app60);
    EXPECT_EQ(Hover("VDXGradientHoverMirrorTo"), app60);
    EXPECT_EQ(Grid->ControlLook()->FixedGradientHoverBorder(), 0xB1B1B1);
    EXPECT_EQ(Hover("VDXGradientDownFrom"), app20);
    EXPECT_EQ(Hover("VDXGradientDownMirrorFrom"), app20);
    EXPECT_EQ(Grid->ActiveCellColor(), c.Active);
    EXPECT_EQ(Grid->ActiveCellColorTo(), c.Active);
    EXPECT_EQ(Grid->SelectionColor(), c.Selection);
    EXPECT_EQ(Grid->ActiveCellFont()->Color(), c.ActiveFont);
  }
}

TEST_F(GridStyleTest, TonesMakeAFlatMetroGridThatAStyleOnlyPartlyUndoes) {
  TColorTones tones;
  tones.Background = {0xFAFAFA, 0xC8C8C8, 0x202020};
  tones.Foreground = {0x9E3F7A, 0x7A2F5E, 0xFFFFFF};
  tones.Selected = {0xD8A0C8, 0x9E3F7A, 0x101010};
  tones.Hover = {0xF0D8EA, 0xD8A0C8, 0x202020};
  tones.Disabled = {0xE0E0E0, 0xC0C0C0, 0x808080};
  Grid->SetSelectionColorTo(0x00FF00);
  Grid->SetColorTones(tones);
  EXPECT_EQ(Grid->ColorTones(), tones);
  EXPECT_EQ(Grid->Look(), glClassic);
  EXPECT_TRUE(Grid->Flat());
  EXPECT_EQ(Grid->ScrollType(), ssMetro);
  EXPECT_EQ(Grid->FixedColor(), 0x9E3F7A);
  EXPECT_EQ(Grid->FixedFont()->Color(), 0xFFFFFF);
  EXPECT_EQ(Grid->FixedFont()->Name(), GetMetroFontName());
  EXPECT_EQ(Grid->Font()->Name(), GetMetroFontName());
  EXPECT_EQ(Grid->Color(), 0xFAFAFA);
  EXPECT_EQ(Grid->Font()->Color(), 0x202020);
  EXPECT_EQ(Grid->SelectionColor(), 0xD8A0C8);
  EXPECT_EQ(Grid->SelectionTextColor(), 0x101010);
  EXPECT_EQ(Grid->SelectionColorTo(), kNone);
  EXPECT_EQ(Grid->GridLineColor(), 0xE6E6E6);
  // The fixed lines 20 % darker than the fixed cells.
  EXPECT_EQ(Grid->GridFixedLineColor(), ChangeColorPercent(0x9E3F7A, -20));
  EXPECT_NE(Grid->GridFixedLineColor(), 0x9E3F7A);
  EXPECT_EQ(Grid->BorderStyle(), bsNone);
  EXPECT_TRUE(Grid->ControlLook()->FlatButton());
  EXPECT_EQ(Grid->FloatingFooter()->Color(), 0x9E3F7A);
  EXPECT_EQ(Grid->SearchFooter()->Color(), 0x9E3F7A);
  EXPECT_EQ(Grid->SearchFooter()->ColorTo(), 0x9E3F7A);
  EXPECT_EQ(Grid->CellNode()->NodeType(), cnFlat);

  // Custom keeps the metro scroll bars; a real style ends them but keeps
  // the flat look and the fonts.
  Grid->SetComponentStyle(tsCustom);
  EXPECT_EQ(Grid->ScrollType(), ssMetro);
  Grid->SetComponentStyle(tsOffice2013White);
  EXPECT_EQ(Grid->ScrollType(), ssNormal);
  EXPECT_TRUE(Grid->Flat());
  EXPECT_EQ(Grid->FixedFont()->Name(), GetMetroFontName());
  EXPECT_TRUE(Grid->ControlLook()->FlatButton());
  EXPECT_EQ(Grid->SelectionColor(), 0xDAA026);
  EXPECT_EQ(Grid->ColorTones(), tones);
}

TEST_F(GridStyleTest, XPColourSchemes) {
  struct {
    TXPColorScheme Scheme;
    TColor From, To, MirrorFrom, MirrorTo, Active, ActiveTo, Footer, FooterTo, LookFrom;
  } cases[] = {
      {xpBlue, 0xFCE1CB, 0xE0A57D, kNone, kNone, 0x94E6FB, 0x1595EE, 0xFCE1CB, 0xE0A57D, 0xFCE1CB},
      {xpGreen, 0xCFF0EA, 0x8CC0B1, kNone, kNone, 0x94E6FB, 0x1595EE, 0xCFF0EA, 0x8CC0B1, 0xCFF0EA},
      {xpGray, 0xECE2E1, 0xB39698, kNone, kNone, 0x94E6FB, 0x1595EE, 0xECE2E1, 0xB39698, 0xECE2E1},
      {vistaAero, 0xFFFFFF, 0xFFFFFF, 0xFAF8F7, 0xF4F2F1, 0x94E6FB, 0x1595EE, 0xECE2E1, 0xB39698, 0xFFFFFF},
      {xpNone, 0xFFFFFF, clBtnFace, kNone, kNone, 0xFFFFFF, 0xFFD9B3, 0xFFFFFF, 0xFFD9B3, kNone},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(GetEnumName(TypeInfoOf<TXPColorScheme>(), c.Scheme).toStdString());
    Grid->SetVDXGradientMirrorFrom(0x0000FF);
    Grid->SetTheme(c.Scheme);
    EXPECT_EQ(Grid->VDXGradientFrom(), c.From);
    EXPECT_EQ(Grid->VDXGradientTo(), c.To);
    EXPECT_EQ(Grid->VDXGradientMirrorFrom(), c.MirrorFrom);
    EXPECT_EQ(Grid->VDXGradientMirrorTo(), c.MirrorTo);
    EXPECT_EQ(Grid->ActiveCellColor(), c.Active);
    EXPECT_EQ(Grid->ActiveCellColorTo(), c.ActiveTo);
    EXPECT_EQ(Grid->SearchFooter()->Color(), c.Footer);
    EXPECT_EQ(Grid->SearchFooter()->ColorTo(), c.FooterTo);
    EXPECT_EQ(Grid->ControlLook()->FixedGradientFrom(), c.LookFrom);
  }
}

namespace {

const QString kOffice16 = QStringLiteral("\\Software\\Microsoft\\Office\\16.0\\Common");
const QString kOffice15 = QStringLiteral("\\Software\\Microsoft\\Office\\15.0\\Common");

class OfficeThemeTest : public GridStyleTest {
 protected:
  void SetUp() override {
    GridStyleTest::SetUp();
    TRegistryStore::SetFileName(Dir.File(QStringLiteral("registry.reg")));
  }
  void TearDown() override { TRegistryStore::SetFileName(Dir.File(QStringLiteral("unused.reg"))); }
  void WriteInt(const QString& Key, const QString& Name, int Value) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(Key, true));
    reg.WriteInteger(Name, Value);
  }
  void DeleteKey(const QString& Key) {
    TRegistry reg;
    reg.DeleteKey(Key);
  }
  testsupport::TempDir Dir;
};

}  // namespace

TEST_F(OfficeThemeTest, AdaptsOnlyWhenTheThemeChanged) {
  WriteInt(kOffice16, QStringLiteral("UI Theme"), 4);
  EXPECT_EQ(Grid->PrevOfficeTheme(), otUnknown);
  // Switching AutoThemeAdapt on adapts at once.
  Grid->SetAutoThemeAdapt(true);
  EXPECT_EQ(Grid->UIStyle(), tsOffice2019Black);
  EXPECT_EQ(Grid->PrevOfficeTheme(), ot2019Black);
  EXPECT_EQ(Grid->Font()->Color(), 0x232425);
  // A style set by hand stays while the theme is the same.
  Grid->SetComponentStyle(tsOffice2003Blue);
  Grid->AdaptToOfficeTheme();
  EXPECT_EQ(Grid->UIStyle(), tsOffice2003Blue);
  // A new theme is applied.
  WriteInt(kOffice16, QStringLiteral("UI Theme"), 3);
  Grid->AdaptToOfficeTheme();
  EXPECT_EQ(Grid->UIStyle(), tsOffice2019Gray);
  EXPECT_EQ(Grid->PrevOfficeTheme(), ot2019Gray);
  // Office 2013's light grey maps to its own style.
  DeleteKey(kOffice16);
  WriteInt(kOffice15, QStringLiteral("UI Theme"), 1);
  Grid->AdaptToOfficeTheme();
  EXPECT_EQ(Grid->UIStyle(), tsOffice2013LightGray);
  EXPECT_EQ(Grid->PrevOfficeTheme(), ot2013Silver);
  // Switching it on again when on already does not re-apply.
  Grid->SetComponentStyle(tsWindows10);
  Grid->SetAutoThemeAdapt(true);
  EXPECT_EQ(Grid->UIStyle(), tsWindows10);
}

// ---------------------------------------------------------------------------
// Pictures

namespace {

class StylePictureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(10, 10, 520, 260);
    Grid = Create<TKitStringGrid>(Form.get());
    Grid->SetBounds(0, 0, 500, 240);
    Grid->SetScrollBars(ssNone);
    Grid->SetColCount(5);
    Grid->SetRowCount(9);
    Grid->SetDefaultColWidth(96);
    Grid->SetDefaultRowHeight(24);
    Grid->SetActiveCellShow(true);
    const char* head[] = {"", "Name", "Town", "Phone", "Amount"};
    for (int c = 0; c < 5; ++c) Grid->SetCells(c, 0, QString::fromLatin1(head[c]));
    for (int r = 1; r < 9; ++r) {
      Grid->SetCells(0, r, QString::number(r));
      Grid->SetCells(1, r, QStringLiteral("Listing %1").arg(r));
      Grid->SetCells(2, r, r % 2 ? QStringLiteral("Lyon") : QStringLiteral("Nantes"));
      Grid->SetCells(3, r, QStringLiteral("04 78 00 00 %1").arg(r, 2, 10, QLatin1Char('0')));
      Grid->SetCells(4, r, QString::number(r * 125.5, 'f', 2));
    }
    Grid->SetOptions(Grid->Options() + TGridOptions{goRangeSelect});
    Grid->SetParent(Form.get());
    ASSERT_TRUE(vcltest::ShowAndActivate(Form.get()));
    Grid->SetFocus();
    vcltest::Pump();
  }
  void TearDown() override {
    Form.reset();
    if (TStyleManager::IsCustomStyleActive()) TStyleManager::SetStyle(QStringLiteral("Windows"));
    vcltest::Pump();
  }
  QImage Paint() {
    Grid->WidgetIfAllocated()->repaint();
    return Grid->BackBuffer().copy();
  }
  void Keep(const QImage& Image, const QString& Name) {
    ASSERT_TRUE(Image.save(QDir(testsupport::TestOutputFolder()).filePath(Name)));
  }
  // The most frequent colour inside a cell.
  uint32_t Background(const QImage& Image, const TRect& R) {
    QHash<uint32_t, int> counts;
    for (int y = R.Top + 3; y < R.Bottom - 3; ++y)
      for (int x = R.Left + 3; x < R.Right - 3; ++x) ++counts[probe::BgrAt(Image, x, y)];
    uint32_t best = 0;
    int most = -1;
    for (auto it = counts.begin(); it != counts.end(); ++it)
      if (it.value() > most) most = it.value(), best = it.key();
    return best;
  }
  std::unique_ptr<TForm> Form;
  TKitStringGrid* Grid = nullptr;
};

}  // namespace

TEST_F(StylePictureTest, DarkStyle) {
  // The style leaves the cells' own colour (white): its dark cell font is
  // meant for it.
  Grid->SetComponentStyle(tsOffice2019Black);
  Grid->FocusCell(2, 3);
  Grid->SetSelection(MakeGridRect(2, 3, 3, 5));
  const QImage img = Paint();
  Keep(img, QStringLiteral("grid-style-office2019black.png"));
  // Dark fixed cells with light text.
  const TRect header = Grid->CellRect(1, 0);
  EXPECT_LT(probe::Luminance(probe::At(img, header.Left + 4, header.Top + 3)), 80);
  EXPECT_GT(probe::Count(img, [](QRgb p) { return probe::Luminance(p) > 200; },
                         QRect(header.Left, header.Top, header.Width(), header.Height())),
            5);
  // The selected cells in the style's selection colour with white text, the
  // others white with the style's near-black cell font.
  const TRect selected = Grid->CellRect(3, 4), plain = Grid->CellRect(1, 7);
  EXPECT_EQ(Background(img, selected), 0x5C5E60u);
  EXPECT_GT(probe::Count(img, [](QRgb p) { return probe::Luminance(p) > 200; },
                         QRect(selected.Left, selected.Top, selected.Width(), selected.Height())),
            5);
  EXPECT_EQ(Background(img, plain), 0xFFFFFFu);
  EXPECT_GT(probe::Count(img, probe::NearTo(qRgb(0x25, 0x24, 0x23), 24),
                         QRect(plain.Left, plain.Top, plain.Width(), plain.Height())),
            5);
}

TEST_F(StylePictureTest, AmethystKamriWithAStyle) {
  TStyleManager::SetStyle(QStringLiteral("Amethyst Kamri"));
  Grid->ApplyStyleColors(true);
  Grid->SetComponentStyleAndAppColor(tsOffice2019White, 0x9E3F7A);
  Grid->FocusCell(1, 2);
  const QImage img = Paint();
  Keep(img, QStringLiteral("grid-style-amethyst-kamri.png"));
  EXPECT_EQ(Grid->ActiveCellColor(), 0x9E3F7A);
  // Something of the visual style and something of the component style are
  // both on the picture: the grid's fill from the visual style, and fixed
  // cells of the component style's white.
  TColor fill = clNone;
  TStyleManager::ActiveStyle().GetElementColor(TCustomStyleServices::GetElementDetails(tgCellNormal), ecFillColor,
                                               fill);
  EXPECT_EQ(Background(img, Grid->CellRect(3, 6)), uint32_t(fill));
}
