#pragma once
// Named visual styles: the style manager (TStyleManager), the style services
// of the active style (StyleServices) and the element vocabulary controls use
// to ask a style for colours and to let it paint.
//
// A style is a style definition of our own (a JSON document, see
// resources/styles/README.md): a handful of colour roles from which the full
// colour set is derived, plus optional overrides of single system colours,
// style colours, font colours and element colours. The compiled-in styles are
// resources under ":/styles/"; further ones load from files. The system style
// "Windows" takes its colours from the system colour table of platform/win32
// (GetSysColor) and paints through the theme functions, or classic GDI when
// themes are off.
//
// Elements and colours the library itself relies on (keep them defined in
// every style):
//   grid         tgCellNormal       fill, border (grid lines), text; top sample
//                tgCellSelected     text; top and bottom samples; drawn
//                tgFixedCellNormal  border, text, fill; top and bottom samples;
//                                   drawn (fixed cells, search footer colour)
//                tgGradientCellNormal fill (background gradient end)
//   edit         teBackgroundNormal top sample, ecGradientColor1
//                teEditTextNormal   text (colour picker text)
//   category     tcbButtonNormal    top sample, border (default button)
//   buttons      tbPushButtonNormal/Hot/Pressed/Disabled: drawn, text colour
//                tbCheckBox{Unchecked,Checked,Mixed}{Normal,Hot,Pressed,
//                Disabled}: drawn, text colour
//   combo box    tcDropDownButtonNormal/Hot/Pressed/Disabled: drawn
// Samples are pixels read back after DrawElement into a 200 x 200 bitmap
// (x = 100; y = 2 for the top, y = 198 for the bottom).

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/rtl/SysUtils.h"
#include "platform/win32/Gdi.h"

class QPalette;
namespace vclstyles {
struct StyleTables;
}

// 0x00BBGGRR; system colours are 0xFF000000 + a COLOR_* index.
using TColor = int32_t;

// ---------------------------------------------------------------------------
// Errors

TF_DECLARE_EXCEPTION(EStyleEngineException, Exception)
TF_DECLARE_EXCEPTION(EDuplicateStyleException, EStyleEngineException)

namespace VclThemeConsts {
inline constexpr const char* SStyleNotFound = "Style '%1' not found";
inline constexpr const char* SStyleRegisterError = "Style '%1' already registered";
inline constexpr const char* SStyleInvalidHandle = "Invalid style handle";
inline constexpr const char* SStyleFormatError = "Invalid style definition %1: %2";
inline constexpr const char* SStyleResourceNotFound = "Style resource %1 not found";
inline constexpr const char* SStyleFileOpenError = "Cannot open file \"%1\". %2";
}  // namespace VclThemeConsts

// ---------------------------------------------------------------------------
// Element vocabulary. Part and state numbers of the families that have
// visual-theme counterparts are the documented theme ones.

enum TThemedElement {
  teButton,
  teCategoryButtons,
  teComboBox,
  teEdit,
  teGrid,
  teHeader,
  teProgress,
  teScrollBar,
  teTab,
  teToolBar,
};

enum TThemedButton {
  tbButtonDontCare,
  tbButtonRoot,
  tbPushButtonNormal,
  tbPushButtonHot,
  tbPushButtonPressed,
  tbPushButtonDisabled,
  tbPushButtonDefaulted,
  tbRadioButtonUncheckedNormal,
  tbRadioButtonUncheckedHot,
  tbRadioButtonUncheckedPressed,
  tbRadioButtonUncheckedDisabled,
  tbRadioButtonCheckedNormal,
  tbRadioButtonCheckedHot,
  tbRadioButtonCheckedPressed,
  tbRadioButtonCheckedDisabled,
  tbCheckBoxUncheckedNormal,
  tbCheckBoxUncheckedHot,
  tbCheckBoxUncheckedPressed,
  tbCheckBoxUncheckedDisabled,
  tbCheckBoxCheckedNormal,
  tbCheckBoxCheckedHot,
  tbCheckBoxCheckedPressed,
  tbCheckBoxCheckedDisabled,
  tbCheckBoxMixedNormal,
  tbCheckBoxMixedHot,
  tbCheckBoxMixedPressed,
  tbCheckBoxMixedDisabled,
  tbGroupBoxNormal,
  tbGroupBoxDisabled,
  tbUserButton,
};

enum TThemedCategoryButtons {
  tcbCategoryButtonsDontCare,
  tcbCategoryButtonsRoot,
  tcbButtonNormal,
  tcbButtonHot,
  tcbButtonSelected,
};

enum TThemedComboBox {
  tcComboBoxDontCare,
  tcComboBoxRoot,
  tcDropDownButtonNormal,
  tcDropDownButtonHot,
  tcDropDownButtonPressed,
  tcDropDownButtonDisabled,
  tcBorderNormal,
  tcBorderHot,
  tcBorderFocused,
  tcBorderDisabled,
  tcDropDownButtonRightNormal,
  tcDropDownButtonRightHot,
  tcDropDownButtonRightPressed,
  tcDropDownButtonRightDisabled,
  tcDropDownButtonLeftNormal,
  tcDropDownButtonLeftHot,
  tcDropDownButtonLeftPressed,
  tcDropDownButtonLeftDisabled,
};

enum TThemedEdit {
  teEditDontCare,
  teEditRoot,
  teEditTextNormal,
  teEditTextHot,
  teEditTextSelected,
  teEditTextDisabled,
  teEditTextFocused,
  teEditTextReadOnly,
  teBackgroundNormal,
  teBackgroundHot,
  teBackgroundDisabled,
  teBackgroundFocused,
  teBackgroundReadOnly,
  teEditBorderNoScrollNormal,
  teEditBorderNoScrollHot,
  teEditBorderNoScrollFocused,
  teEditBorderNoScrollDisabled,
};

enum TThemedGrid {
  tgGridDontCare,
  tgGridRoot,
  tgCellNormal,
  tgCellSelected,
  tgFixedCellNormal,
  tgFixedCellHot,
  tgFixedCellPressed,
  tgGradientCellNormal,
  tgGradientCellSelected,
  tgGradientFixedCellNormal,
  tgGradientFixedCellHot,
  tgGradientFixedCellPressed,
};

enum TThemedHeader {
  thHeaderDontCare,
  thHeaderRoot,
  thHeaderItemNormal,
  thHeaderItemHot,
  thHeaderItemPressed,
  thHeaderItemLeftNormal,
  thHeaderItemLeftHot,
  thHeaderItemLeftPressed,
  thHeaderItemRightNormal,
  thHeaderItemRightHot,
  thHeaderItemRightPressed,
  thHeaderSortArrowSortedUp,
  thHeaderSortArrowSortedDown,
};

enum TThemedProgress {
  tpProgressDontCare,
  tpProgressRoot,
  tpBar,
  tpBarVert,
  tpChunk,
  tpChunkVert,
};

enum TThemedScrollBar {
  tsScrollBarDontCare,
  tsScrollBarRoot,
  tsArrowBtnUpNormal,
  tsArrowBtnUpHot,
  tsArrowBtnUpPressed,
  tsArrowBtnUpDisabled,
  tsArrowBtnDownNormal,
  tsArrowBtnDownHot,
  tsArrowBtnDownPressed,
  tsArrowBtnDownDisabled,
  tsArrowBtnLeftNormal,
  tsArrowBtnLeftHot,
  tsArrowBtnLeftPressed,
  tsArrowBtnLeftDisabled,
  tsArrowBtnRightNormal,
  tsArrowBtnRightHot,
  tsArrowBtnRightPressed,
  tsArrowBtnRightDisabled,
  tsThumbBtnHorzNormal,
  tsThumbBtnHorzHot,
  tsThumbBtnHorzPressed,
  tsThumbBtnHorzDisabled,
  tsThumbBtnVertNormal,
  tsThumbBtnVertHot,
  tsThumbBtnVertPressed,
  tsThumbBtnVertDisabled,
  tsLowerTrackHorzNormal,
  tsLowerTrackHorzHot,
  tsLowerTrackHorzPressed,
  tsLowerTrackHorzDisabled,
  tsUpperTrackHorzNormal,
  tsUpperTrackHorzHot,
  tsUpperTrackHorzPressed,
  tsUpperTrackHorzDisabled,
  tsLowerTrackVertNormal,
  tsLowerTrackVertHot,
  tsLowerTrackVertPressed,
  tsLowerTrackVertDisabled,
  tsUpperTrackVertNormal,
  tsUpperTrackVertHot,
  tsUpperTrackVertPressed,
  tsUpperTrackVertDisabled,
};

enum TThemedTab {
  ttTabDontCare,
  ttTabRoot,
  ttTabItemNormal,
  ttTabItemHot,
  ttTabItemSelected,
  ttTabItemDisabled,
  ttTabItemFocused,
  ttPane,
};

enum TThemedToolBar {
  ttbToolBarDontCare,
  ttbToolBarRoot,
  ttbButtonNormal,
  ttbButtonHot,
  ttbButtonPressed,
  ttbButtonDisabled,
  ttbButtonChecked,
  ttbButtonCheckedHot,
  ttbSeparatorNormal,
};

// One element in one state: the family, and the part and state inside it.
struct TThemedElementDetails {
  TThemedElement Element = teButton;
  int Part = 0;
  int State = 0;
  bool operator==(const TThemedElementDetails&) const = default;
};

enum TElementColor {
  ecBorderColor,
  ecFillColor,
  ecTextColor,
  ecEdgeLightColor,
  ecEdgeHighlightColor,
  ecEdgeShadowColor,
  ecEdgeDkShadowColor,
  ecEdgeFillColor,
  ecTransparentColor,
  ecGradientColor1,
  ecGradientColor2,
  ecGlyphColor,
};

// Background colours of whole controls.
enum TStyleColor {
  scBorder,
  scButtonDisabled,
  scButtonFocused,
  scButtonHot,
  scButtonNormal,
  scButtonPressed,
  scCategoryButtons,
  scCategoryButtonsGradientBase,
  scCategoryButtonsGradientEnd,
  scCategoryPanelGroup,
  scComboBox,
  scComboBoxDisabled,
  scEdit,
  scEditDisabled,
  scGrid,
  scGenericBackground,
  scGenericGradientBase,
  scGenericGradientEnd,
  scHintGradientBase,
  scHintGradientEnd,
  scListBox,
  scListBoxDisabled,
  scListView,
  scPanel,
  scPanelDisabled,
  scSplitter,
  scToolBarGradientBase,
  scToolBarGradientEnd,
  scTreeView,
  scWindow,
};

// Text colours.
enum TStyleFont {
  sfButtonTextDisabled,
  sfButtonTextFocused,
  sfButtonTextHot,
  sfButtonTextNormal,
  sfButtonTextPressed,
  sfCaptionTextInactive,
  sfCaptionTextNormal,
  sfCategoryButtonsNormal,
  sfCategoryButtonsHot,
  sfCategoryButtonsSelected,
  sfCheckBoxTextDisabled,
  sfCheckBoxTextNormal,
  sfComboBoxItemDisabled,
  sfComboBoxItemNormal,
  sfComboBoxItemSelected,
  sfEditBoxTextDisabled,
  sfEditBoxTextFocused,
  sfEditBoxTextHot,
  sfEditBoxTextNormal,
  sfEditBoxTextSelected,
  sfGridItemFixedHot,
  sfGridItemFixedNormal,
  sfGridItemFixedPressed,
  sfGridItemNormal,
  sfGridItemSelected,
  sfGroupBoxTextDisabled,
  sfGroupBoxTextNormal,
  sfHeaderSectionTextDisabled,
  sfHeaderSectionTextHot,
  sfHeaderSectionTextNormal,
  sfHeaderSectionTextPressed,
  sfListItemTextDisabled,
  sfListItemTextHot,
  sfListItemTextNormal,
  sfListItemTextSelected,
  sfMenuItemTextDisabled,
  sfMenuItemTextHot,
  sfMenuItemTextNormal,
  sfMenuItemTextSelected,
  sfPanelTextDisabled,
  sfPanelTextNormal,
  sfRadioButtonTextDisabled,
  sfRadioButtonTextNormal,
  sfTabTextActiveDisabled,
  sfTabTextActiveHot,
  sfTabTextActiveNormal,
  sfTabTextInactiveDisabled,
  sfTabTextInactiveHot,
  sfTabTextInactiveNormal,
  sfTextLabelDisabled,
  sfTextLabelNormal,
  sfToolItemTextDisabled,
  sfToolItemTextHot,
  sfToolItemTextNormal,
  sfToolItemTextSelected,
  sfTreeItemTextDisabled,
  sfTreeItemTextNormal,
  sfTreeItemTextSelected,
  sfWindowTextDisabled,
  sfWindowTextNormal,
};

struct TStyleInfo {
  QString Name;
  QString Author;
  QString AuthorEMail;
  QString AuthorURL;
  QString Version;
};

// ---------------------------------------------------------------------------
// Style services: one object per registered style, alive for the rest of the
// process (handles and references to it stay valid).

class TCustomStyleServices : public TObject {
 public:
  ~TCustomStyleServices() override = default;

  virtual QString Name() const = 0;
  virtual QString Description() const { return QString(); }
  virtual QString Author() const { return QString(); }
  // The style can paint (a custom style always; the system style while
  // visual themes are on).
  virtual bool Enabled() const = 0;
  // The machinery behind the style exists (a custom style always; the system
  // style when a QApplication runs).
  virtual bool Available() const = 0;
  virtual bool IsSystemStyle() const = 0;

  // A system colour constant (0xFF000000 + COLOR_* index) as the style's
  // RGB colour; any other colour is returned unchanged.
  TColor GetSystemColor(TColor color) const;
  TColor GetStyleColor(TStyleColor color) const;
  TColor GetStyleFontColor(TStyleFont font) const;

  static TThemedElementDetails GetElementDetails(TThemedButton detail);
  static TThemedElementDetails GetElementDetails(TThemedCategoryButtons detail);
  static TThemedElementDetails GetElementDetails(TThemedComboBox detail);
  static TThemedElementDetails GetElementDetails(TThemedEdit detail);
  static TThemedElementDetails GetElementDetails(TThemedGrid detail);
  static TThemedElementDetails GetElementDetails(TThemedHeader detail);
  static TThemedElementDetails GetElementDetails(TThemedProgress detail);
  static TThemedElementDetails GetElementDetails(TThemedScrollBar detail);
  static TThemedElementDetails GetElementDetails(TThemedTab detail);
  static TThemedElementDetails GetElementDetails(TThemedToolBar detail);

  // The colour the style gives the element; false with color = clNone
  // (0x1FFFFFFF) when the style defines none (and for ecTransparentColor).
  bool GetElementColor(const TThemedElementDetails& details, TElementColor elementColor, TColor& color) const;

  // Paints the element into rect (logical units of the DC), limited to
  // clipRect when given. False for an element the style does not know or a
  // bad DC.
  bool DrawElement(HDC dc, const TThemedElementDetails& details, const RECT& rect,
                   const RECT* clipRect = nullptr) const;

  // Draws text with the DC's font in the element's text colour, or in color
  // unless that is clNone (0x1FFFFFFF). flags are DrawText's DT_* flags; with
  // DT_CALCRECT rect receives the text's extent and nothing is drawn.
  bool DrawText(HDC dc, const TThemedElementDetails& details, const QString& text, RECT& rect, UINT flags,
                TColor color = 0x1FFFFFFF) const;

  // The part of bounds left for content inside the element's border and
  // padding.
  bool GetElementContentRect(HDC dc, const TThemedElementDetails& details, const RECT& bounds,
                             RECT& contentRect) const;

  // True when DrawElement leaves some pixels of its rectangle untouched
  // (rounded corners, glyphs smaller than the rectangle, flat tool buttons).
  bool HasTransparentParts(const TThemedElementDetails& details) const;

  // The Qt palette showing this style's colours.
  QPalette Palette() const;

 protected:
  TCustomStyleServices() = default;

  // The style's colour tables (system colours, style colours, font colours
  // and element colours).
  virtual std::shared_ptr<const vclstyles::StyleTables> Tables() const = 0;
  // Paints a known element; the default is the style painter working from
  // the element colours.
  virtual void PaintElement(HDC dc, const TThemedElementDetails& details, const RECT& rect) const;
};

using TStyleServicesHandle = TCustomStyleServices*;

// ---------------------------------------------------------------------------
// The style manager (all static). The active style starts as the system style
// "Windows", and the application palette is left alone until a SetStyle; the
// compiled-in styles are loaded when the manager is first used.

class TStyleManager {
 public:
  using TStyleChangeListener = std::function<void()>;

  // Every registered style name: "Windows" first, then the compiled-in styles
  // by name, then styles loaded from files in loading order.
  static QStringList StyleNames();
  static TCustomStyleServices& ActiveStyle();
  static TCustomStyleServices& SystemStyle();
  // The style of that name (any case), nullptr when none is registered.
  static TCustomStyleServices* Style(const QString& name);

  // A custom style is active (not the system style).
  static bool Enabled();
  static bool IsCustomStyleActive();

  // Makes the style active and applies its palette to the application; the
  // listeners run once when the active style changed (setting the active
  // style again only re-applies the palette). A listener's exception is
  // passed on after all listeners ran. Unknown names and handles raise
  // EStyleEngineException.
  static void SetStyle(const QString& name);
  static void SetStyle(TStyleServicesHandle handle);
  // SetStyle that answers false instead of raising, and reports the error
  // through the error dialog when asked.
  static bool TrySetStyle(const QString& name, bool showErrorDialog = true);

  // Registers a style definition from a file; a name already registered
  // raises EDuplicateStyleException, a bad definition EStyleEngineException,
  // an unreadable file EFOpenError.
  static TStyleServicesHandle LoadFromFile(const QString& fileName);
  // The compiled-in style of that resource name ("LUNA", "AMETHYSTKAMRI":
  // the style name in capitals without spaces); loading it again gives the
  // same handle. An unknown resource raises EResNotFound.
  static TStyleServicesHandle LoadFromResource(const QString& resourceName);
  // The file (or ":/" resource path) holds a valid style definition.
  static bool IsValidStyle(const QString& fileName);
  static bool IsValidStyle(const QString& fileName, TStyleInfo& styleInfo);

  // Called after every change of the active style (with the new style and
  // its palette in place); returns an id for RemoveStyleChangeListener. A
  // listener may remove itself, or others, while it runs.
  static int AddStyleChangeListener(TStyleChangeListener listener);
  static void RemoveStyleChangeListener(int id);

  // Where TrySetStyle reports errors. The default shows a message box (on
  // the offscreen and minimal platforms it writes a warning instead, since
  // nobody could close the box); an empty function restores the default.
  static void SetErrorDialogHandler(std::function<void(const QString& message)> handler);
};

// The active style's services.
TCustomStyleServices& StyleServices();

// Sets the application palette from the active style (SetStyle calls it).
// Does nothing without a QGuiApplication.
void ApplyStyleToApplication();
