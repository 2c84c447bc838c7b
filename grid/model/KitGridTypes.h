#pragma once
// The grid's shared vocabulary: the enumerations that the grid, its editors,
// its data operations and the grid drop-down store and read, and the
// signatures of the grid's events.
//
// Ordinals never change: component streams, settings files and the cell
// properties record hold them. Every enumeration is therefore checked below
// against the number of its values and the ordinal of its last one.

#include <QString>
#include <functional>

#include "platform/rtl/System.h"
#include "platform/rtl/TypInfo.h"
#include "platform/rtl/Types.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/StdCtrls.h"

// ---------------------------------------------------------------------------
// Editors

// The in-place editor of a cell. Kinds sharing one editor control: 1, 20, 21,
// 22 (spin); 2, 3 (combo); 4, 23, 24, 43 (edit with button); 6, 7, 8 (date
// and time picker); 17, 41, 42 (unit edit); 0, 11-16, 18, 19, 29, 40 (the
// plain in-place edit with a key filter or case rule).
enum TEditorType {
  edNormal, edSpinEdit, edComboEdit, edComboList, edEditBtn, edCheckBox, edDateEdit,
  edDateEditUpDown, edTimeEdit, edButton, edDataCheckBox, edNumeric, edPositiveNumeric, edFloat,
  edCapital, edMixedCase, edPassword, edUnitEditBtn, edLowerCase, edUpperCase, edFloatSpinEdit,
  edTimeSpinEdit, edDateSpinEdit, edNumericEditBtn, edFloatEditBtn, edCustom, edRichEdit, edNone,
  edDateTimeEdit, edValidChars, edTrackbarDropDown, edMemoDropDown, edCalculatorDropDown,
  edTimePickerDropDown, edDetailDropDown, edGridDropDown, edColorPickerDropDown,
  edImagePickerDropDown, edKitGridDropDown, edControlDropDown, edPositiveFloat,
  edNumericUnitEditBtn, edFloatUnitEditBtn, edMaskEditBtn
};
TF_ENUM_NAMES(TEditorType, edNormal, edSpinEdit, edComboEdit, edComboList, edEditBtn, edCheckBox,
              edDateEdit, edDateEditUpDown, edTimeEdit, edButton, edDataCheckBox, edNumeric,
              edPositiveNumeric, edFloat, edCapital, edMixedCase, edPassword, edUnitEditBtn,
              edLowerCase, edUpperCase, edFloatSpinEdit, edTimeSpinEdit, edDateSpinEdit,
              edNumericEditBtn, edFloatEditBtn, edCustom, edRichEdit, edNone, edDateTimeEdit,
              edValidChars, edTrackbarDropDown, edMemoDropDown, edCalculatorDropDown,
              edTimePickerDropDown, edDetailDropDown, edGridDropDown, edColorPickerDropDown,
              edImagePickerDropDown, edKitGridDropDown, edControlDropDown, edPositiveFloat,
              edNumericUnitEditBtn, edFloatUnitEditBtn, edMaskEditBtn)
static_assert(edCheckBox == 5 && edNone == 27 && edKitGridDropDown == 38 && edMaskEditBtn == 43);

// How a column's texts compare (sorting, filtering) and format.
enum TSortStyle {
  ssAutomatic, ssAlphabetic, ssNumeric, ssDate, ssAlphaNoCase, ssAlphaCase, ssShortDateEU,
  ssShortDateUS, ssCustom, ssFinancial, ssAnsiAlphaCase, ssAnsiAlphaNoCase, ssRaw, ssHTML, ssImages,
  ssCheckBox, ssDateTime, ssTime, ssAlphaNumeric, ssAlphaNumericNoCase, ssNatural, ssVarDate
};
TF_ENUM_NAMES(TSortStyle, ssAutomatic, ssAlphabetic, ssNumeric, ssDate, ssAlphaNoCase, ssAlphaCase,
              ssShortDateEU, ssShortDateUS, ssCustom, ssFinancial, ssAnsiAlphaCase,
              ssAnsiAlphaNoCase, ssRaw, ssHTML, ssImages, ssCheckBox, ssDateTime, ssTime,
              ssAlphaNumeric, ssAlphaNumericNoCase, ssNatural, ssVarDate)
static_assert(ssAlphaCase == 5 && ssCustom == 8 && ssNatural == 20 && ssVarDate == 21);

// ---------------------------------------------------------------------------
// Search, navigation and editing

enum TNarrowDownOption { ndCaseSensitive, ndRemoveAccented };
TF_ENUM_NAMES(TNarrowDownOption, ndCaseSensitive, ndRemoveAccented)
using TNarrowDownOptions = TSet<TNarrowDownOption>;

enum TSearchDirection { sdTopBottom, sdLeftRight };
TF_ENUM_NAMES(TSearchDirection, sdTopBottom, sdLeftRight)

enum THighlightType { hMatchingText, hFullCell };
TF_ENUM_NAMES(THighlightType, hMatchingText, hFullCell)

enum TSearchType { stSearch, stNarrowDown };
TF_ENUM_NAMES(TSearchType, stSearch, stNarrowDown)

enum THomeEndAction { heFirstLastColumn, heFirstLastRow, heFirstLastCell, heDefault };
TF_ENUM_NAMES(THomeEndAction, heFirstLastColumn, heFirstLastRow, heFirstLastCell, heDefault)

enum TClipboardPasteAction { paReplace, paInsert };
TF_ENUM_NAMES(TClipboardPasteAction, paReplace, paInsert)

enum TClipboardCutAction { caClear, caRemove };
TF_ENUM_NAMES(TClipboardCutAction, caClear, caRemove)

enum TAdvanceDirection { adLeftRight, adTopBottom, adLeftRightInRow, adTopBottomInCol };
TF_ENUM_NAMES(TAdvanceDirection, adLeftRight, adTopBottom, adLeftRightInRow, adTopBottomInCol)

enum TInsertPosition { pInsertBefore, pInsertAfter };
TF_ENUM_NAMES(TInsertPosition, pInsertBefore, pInsertAfter)

// An arrow key at the grid's edge: stop, jump to the other end of the row or
// column (loop), or jump and move one row or column on (snake).
enum TCursorAdvance { caDefault, caSnake, caLoop };
TF_ENUM_NAMES(TCursorAdvance, caDefault, caSnake, caLoop)

enum TToggleTriStateCheck { tsAllStates, tsCheckUnCheck };
TF_ENUM_NAMES(TToggleTriStateCheck, tsAllStates, tsCheckUnCheck)

enum TGridFixedCellEdit { fceNone, fceDblClick, fceLeftClick, fceRightClick };
TF_ENUM_NAMES(TGridFixedCellEdit, fceNone, fceDblClick, fceLeftClick, fceRightClick)

enum TGridFixedCellEditor { fceEdit, fceComboEdit, fceComboList };
TF_ENUM_NAMES(TGridFixedCellEditor, fceEdit, fceComboEdit, fceComboList)

enum TWheelAction { waMoveSelection, waScroll };
TF_ENUM_NAMES(TWheelAction, waMoveSelection, waScroll)

enum TWheelActive { waFocus, waMouseOver };
TF_ENUM_NAMES(TWheelActive, waFocus, waMouseOver)

static_assert(ndRemoveAccented == 1 && sdLeftRight == 1 && hFullCell == 1 && stNarrowDown == 1 &&
              heDefault == 3 && paInsert == 1 && caRemove == 1 && adTopBottomInCol == 3 &&
              pInsertAfter == 1 && caLoop == 2 && tsCheckUnCheck == 1 && fceRightClick == 3 &&
              fceComboList == 2 && waScroll == 1 && waMouseOver == 1);

// ---------------------------------------------------------------------------
// Appearance

enum TCellBorder { cbTop, cbLeft, cbRight, cbBottom };
TF_ENUM_NAMES(TCellBorder, cbTop, cbLeft, cbRight, cbBottom)
using TCellBorders = TSet<TCellBorder>;

// Vertical runs top to bottom.
enum TCellGradientDirection { GradientVertical, GradientHorizontal };
TF_ENUM_NAMES(TCellGradientDirection, GradientVertical, GradientHorizontal)

enum TVAlignment { vtaTop, vtaCenter, vtaBottom };
TF_ENUM_NAMES(TVAlignment, vtaTop, vtaCenter, vtaBottom)

enum TArrowDirection { arrUp, arrDown, arrLeft, arrRight };
TF_ENUM_NAMES(TArrowDirection, arrUp, arrDown, arrLeft, arrRight)

// A grid button is a push button or a toggle that stays down. Scoped: the
// pop-up bars' buttons have an enumeration with the same value names.
enum class TKitGridButtonStyle { tasButton, tasCheck };
TF_ENUM_NAMES(TKitGridButtonStyle, tasButton, tasCheck)

// The shape of the drawing helpers and of a shape cell.
enum TCellShape {
  csRectangle, csCircle, csTriangleLeft, csTriangleRight, csTriangleUp, csTriangleDown, csDiamond,
  csLineVert, csLineHorz, csRoundRect, csEllips, csSquare, csRoundSquare, csStar, csArrowUp,
  csArrowDown, csArrowLeft, csArrowRight, csHalfStar
};
TF_ENUM_NAMES(TCellShape, csRectangle, csCircle, csTriangleLeft, csTriangleRight, csTriangleUp,
              csTriangleDown, csDiamond, csLineVert, csLineHorz, csRoundRect, csEllips, csSquare,
              csRoundSquare, csStar, csArrowUp, csArrowDown, csArrowLeft, csArrowRight, csHalfStar)

static_assert(cbBottom == 3 && GradientHorizontal == 1 && vtaBottom == 2 && arrRight == 3 &&
              static_cast<int>(TKitGridButtonStyle::tasCheck) == 1 && csRoundRect == 9 &&
              csHalfStar == 18);

// ---------------------------------------------------------------------------
// Event signatures. The first parameter is the grid that fires the event;
// references are the "var" parameters a handler may change.
//
// Parameter order matters: the click, edit, anchor, colour, gradient,
// border, alignment and hint events take the row before the column; the
// size, button, check-box, editor-type, format, ellipsis, balloon, spin and
// image events take the column first.

class TKitHintInfo;

using TGetDisplTextEvent = std::function<void(TObject* Sender, int ACol, int ARow, QString& Value)>;
using TFloatFormatEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& IsFloat,
                                             QString& FloatFormat)>;
using TOnResizeEvent = std::function<void(TObject* Sender)>;
using TColumnSizeEvent = std::function<void(TObject* Sender, int ACol, bool& Allow)>;
using TColumnSizingEvent = std::function<void(TObject* Sender, int ACol, int ColumnSize)>;
using TRowSizingEvent = std::function<void(TObject* Sender, int ARow, int RowSize)>;
using TRowSizeEvent = std::function<void(TObject* Sender, int ARow, bool& Allow)>;
using TEndColumnSizeEvent = std::function<void(TObject* Sender, int ACol)>;
using TUpdateColumnSizeEvent = std::function<void(TObject* Sender, int ACol, int& AWidth)>;
using TEndRowSizeEvent = std::function<void(TObject* Sender, int ARow)>;
using TClickCellEvent = std::function<void(TObject* Sender, int ARow, int ACol)>;
using TDblClickCellEvent = std::function<void(TObject* Sender, int ARow, int ACol)>;
using TCanEditCellEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& CanEdit)>;
using TScrollHintEvent = std::function<void(TObject* Sender, int ARow, QString& hintstr)>;
using TButtonClickEvent = std::function<void(TObject* Sender, int ACol, int ARow)>;
using TExpandClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool Expanded)>;
using TCheckBoxClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool State)>;
using TCheckBoxCanToggleEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, bool State, bool& Allow)>;
using TGetEditorTypeEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, TEditorType& AEditor)>;
using TAnchorClickEvent = std::function<void(TObject* Sender, int ARow, int ACol,
                                             const QString& Anchor, bool& AutoHandle)>;
using TAnchorHintEvent = std::function<void(TObject* Sender, int ARow, int ACol, QString& Anchor)>;
using TAnchorEvent = std::function<void(TObject* Sender, int ARow, int ACol, const QString& Anchor)>;
using TClickSortEvent = std::function<void(TObject* Sender, int ACol)>;
using TCanSortEvent = std::function<void(TObject* Sender, int ACol, bool& DoSort)>;
using TCustomCompareEvent =
    std::function<void(TObject* Sender, const QString& str1, const QString& str2, int& Res)>;
using TRawCompareEvent = std::function<void(TObject* Sender, int ACol, int Row1, int Row2, int& Res)>;
using TGridFormatEvent = std::function<void(TObject* Sender, int ACol, TSortStyle& AStyle,
                                            QString& aPrefix, QString& aSuffix)>;
using TGridGradientEvent =
    std::function<void(TObject* Sender, int ARow, int ACol, TColor& Color, TColor& ColorTo,
                       TColor& ColorMirror, TColor& ColorMirrorTo, TCellGradientDirection& GD)>;
using TGridBorderEvent =
    std::function<void(TObject* Sender, int ARow, int ACol, TPen* APen, TCellBorders& Borders)>;
using TGridBorderPropEvent = std::function<void(TObject* Sender, int ARow, int ACol, TPen* LeftPen,
                                                TPen* TopPen, TPen* RightPen, TPen* BottomPen)>;
using TGridAlignEvent = std::function<void(TObject* Sender, int ARow, int ACol, TAlignment& HAlign,
                                           TVAlignment& VAlign)>;
using TGridHintEvent = std::function<void(TObject* Sender, int ARow, int ACol, QString& hintstr)>;
using TEllipsClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, QString& S)>;
using TGridBalloonEvent = std::function<void(TObject* Sender, int ACol, int ARow, QString& ATitle,
                                             QString& AText, int& AIcon)>;
using TCanInsertRowEvent = std::function<void(TObject* Sender, int ARow, bool& CanInsert)>;
using TAutoInsertRowEvent = std::function<void(TObject* Sender, int ARow)>;
using TCanAddRowEvent = std::function<void(TObject* Sender, bool& CanAdd)>;
using TCanAddColEvent = std::function<void(TObject* Sender, bool& CanAdd)>;
using TCanDisjunctRowSelectDragEvent =
    std::function<void(TObject* Sender, int FromRow, bool& Allow)>;
using TAutoAddRowEvent = std::function<void(TObject* Sender, int ARow)>;
using TCanDeleteRowEvent = std::function<void(TObject* Sender, int ARow, bool& CanDelete)>;
using TAutoDeleteRowEvent = std::function<void(TObject* Sender, int ARow)>;
using TAutoInsertColEvent = std::function<void(TObject* Sender, int ACol)>;
using TSearchEditChangeEvent =
    std::function<void(TObject* Sender, const QString& Value, bool& DefaultSearch)>;
using TSpinClickEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, int AValue, bool UpDown)>;
using TOfficeHintEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, TKitHintInfo* OfficeHint)>;
// Also the change notification of the integer list, with its cell.
using TImageChangeEvent = std::function<void(TObject* Sender, int Acol, int Arow)>;
// How the mouse-action settings ask their owner whether it is being designed.
using TIsDesigningEvent = std::function<void(TObject* Sender, bool& IsDesigning)>;

// The two events that carry the framework grid's drawing state are declared
// where that state type is.
#if __has_include("platform/vcl/Grids.h")
#include "platform/vcl/Grids.h"
using TCustomCellDrawEvent =
    std::function<void(TObject* Sender, TCanvas* Canvas, int ACol, int ARow, TGridDrawState AState,
                       const TRect& ARect, bool Printing)>;
using TGridColorEvent = std::function<void(TObject* Sender, int ARow, int ACol,
                                           TGridDrawState AState, TBrush* ABrush, TFont* AFont)>;
#endif
