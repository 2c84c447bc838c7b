#pragma once
// TKitStringGrid: the grid control of the library. The class is declared
// here once and implemented by concern:
//   KitGridConstruct.cpp   construction, lifetime, window creation, loading,
//                          copying, unit start-up and helper routines
//   KitGridDimensions.cpp  counts, fixed rows and columns, accessors by real
//                          row, per-cell appearance, zoom, update locking
//   KitGridHooks.cpp       the virtual operations and the event dispatch
//                          hooks, and the simple behaviour of subsystems that
//                          are not part of the grid yet
//   KitGridTyped.cpp       typed cell access, headers, block appearance,
//                          highlighting, checking, fills, repainting
//   KitGridGraphics.cpp    the cell graphic operations
//   KitGridCheck.cpp       check boxes, radio buttons and buttons in cells
//   KitGridIndicators.cpp  pictures, images, indicators, comments, markers,
//                          balloons
//   KitGridGraphicPaint.cpp  placing and painting a cell's graphic
//   KitGridSelection.cpp   disjunct row and column selection, row states
//
// Columns are real (hidden columns counted) where the members say so; while
// no column or row can be hidden the real and display indexes coincide.

#include <QString>
#include <QHash>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "foundation/KitStyles.h"
#include "grid/dataops/KitGridHiddenRowIndex.h"
#include "grid/model/BaseGrid.h"
#include "grid/model/KitGridCalc.h"
#include "grid/model/KitGridCellGraphic.h"
#include "grid/model/KitGridError.h"
#include "grid/model/KitGridLists.h"
#include "grid/model/KitGridLook.h"
#include "grid/model/KitGridNode.h"
#include "grid/model/KitGridSettingGroups.h"
#include "grid/model/KitGridSettings.h"
#include "grid/model/KitGridTypes.h"
#include "grid/model/KitObjAux.h"
#include "platform/rtl/Encoding.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/RichText.h"
#include "platform/vcl/BalloonTip.h"

class TKitHintInfo;
class THTMLPictureCache;
class TPictureContainer;
class TKitStringGridCheck;
class TXMLDOMDocument;

// ---------------------------------------------------------------------------
// Grid enumerations of this unit

// The drawing manner of fixed cells, selection and borders.
enum TGridLook { glStandard, glSoft, glClassic, glVDX, glXP, glListView, glVista, glWin7, glOffice2007, glCustom };
TF_ENUM_NAMES(TGridLook, glStandard, glSoft, glClassic, glVDX, glXP, glListView, glVista, glWin7, glOffice2007,
              glCustom)

enum TScrollType { ssNormal, ssFlat, ssEncarta, ssMetro };
TF_ENUM_NAMES(TScrollType, ssNormal, ssFlat, ssEncarta, ssMetro)
// The Windows XP colour schemes SetTheme applies.
enum TXPColorScheme { xpNone, xpBlue, xpGreen, xpGray, vistaAero };
TF_ENUM_NAMES(TXPColorScheme, xpNone, xpBlue, xpGreen, xpGray, vistaAero)
enum TScrollHintType { shNone, shVertical, shHorizontal, shBoth };
TF_ENUM_NAMES(TScrollHintType, shNone, shVertical, shHorizontal, shBoth)
enum TScrollBarAlways { saNone, saVert, saHorz, saBoth };
TF_ENUM_NAMES(TScrollBarAlways, saNone, saVert, saHorz, saBoth)
enum THoverFixedCells { hfNone, hfFixedRows, hfFixedColumns, hfAll };
TF_ENUM_NAMES(THoverFixedCells, hfNone, hfFixedRows, hfFixedColumns, hfAll)
enum TInvalidEntryIcon { ieNone, ieInfo, ieWarning, ieError };
TF_ENUM_NAMES(TInvalidEntryIcon, ieNone, ieInfo, ieWarning, ieError)
enum THintShowLargeTextPos { hpMouse, hpCell };
TF_ENUM_NAMES(THintShowLargeTextPos, hpMouse, hpCell)
enum TIntelliPan { ipNone, ipVertical, ipHorizontal, ipBoth };
TF_ENUM_NAMES(TIntelliPan, ipNone, ipVertical, ipHorizontal, ipBoth)
// How cells with a float format are formatted.
enum TFormatType { ftKWF, ftExcel };
TF_ENUM_NAMES(TFormatType, ftKWF, ftExcel)
enum TSearchAction { saFindFirst, saFindPrevious, saFindNext };
TF_ENUM_NAMES(TSearchAction, saFindFirst, saFindPrevious, saFindNext)
enum TGridExportState {
  esExportStart, esExportNewRow, esExportDone, esExportSelRow, esExportFail, esExportNextRow, esExportFindRow
};
TF_ENUM_NAMES(TGridExportState, esExportStart, esExportNewRow, esExportDone, esExportSelRow, esExportFail,
              esExportNextRow, esExportFindRow)
enum TGridImportState { isImportStart, isImportNewRow, isImportDone, isImportSelRow };
TF_ENUM_NAMES(TGridImportState, isImportStart, isImportNewRow, isImportDone, isImportSelRow)
// How Find, FindAll and Replace look for a text (bit n = the n-th value).
enum TFindParameter {
  fnMatchCase, fnMatchFull, fnMatchRegular, fnDirectionLeftRight, fnMatchStart, fnFindInCurrentRow,
  fnFindInCurrentCol, fnIncludeFixed, fnAutoGoto, fnIgnoreHTMLTags, fnBackward, fnIncludeHiddenColumns,
  fnFindInPresetCol, fnFindInPresetRow, fnSelectedCells, fnIncludeHiddenRows, fnIgnoreAccents
};
TF_ENUM_NAMES(TFindParameter, fnMatchCase, fnMatchFull, fnMatchRegular, fnDirectionLeftRight, fnMatchStart,
              fnFindInCurrentRow, fnFindInCurrentCol, fnIncludeFixed, fnAutoGoto, fnIgnoreHTMLTags, fnBackward,
              fnIncludeHiddenColumns, fnFindInPresetCol, fnFindInPresetRow, fnSelectedCells, fnIncludeHiddenRows,
              fnIgnoreAccents)
using TFindParameters = TSet<TFindParameter>;
static_assert(fnIgnoreAccents == 16);
// One condition of FindMulti (the search footer's TSearchType is another
// enumeration).
enum TFindMultiType { stStartsWith, stEndsWith, stContains, stEqual, stNotEqual, stNotContains };
TF_ENUM_NAMES(TFindMultiType, stStartsWith, stEndsWith, stContains, stEqual, stNotEqual, stNotContains)

// ---------------------------------------------------------------------------
// Grid event types of this unit

using TGridWideHintEvent = std::function<void(TObject* Sender, int ARow, int ACol, QString& hintstr)>;
// After a scale change, with the grid's new DPI scale.
using TChangeScaleEvent = std::function<void(TObject* Sender, float NewScale)>;
using THasComboEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& HasComboBox)>;
using THasEditBtnEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& HasEditBtn)>;
using THasSpinEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& HasSpinEdit)>;
using THasFilterEditEvent = std::function<void(TObject* Sender, int ACol, bool& HasFilter)>;
using TIsFixedCellEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& IsFixed)>;
using TIsPasswordCellEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& IsPassword)>;
using TCellCursorEvent = std::function<void(TObject* Sender, int ACol, int ARow, int X, int Y, TCursor& ACursor)>;
using TGetCheckEvent = std::function<void(TObject* Sender, int ACol, int ARow, QString& Value)>;
using TWordWrapEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& WordWrap)>;
using TFilterEditUpdateEvent =
    std::function<void(TObject* Sender, int ACol, const QString& Condition, TFilterType FilterType)>;
using TSearchFooterActionEvent =
    std::function<void(TObject* Sender, const QString& Value, int ACol, int ARow, TSearchAction SearchAction)>;
using TSearchFooterSearchEvent = std::function<void(TObject* Sender, QString& Value)>;
using TSearchFooterSearchEndEvent = std::function<void(TObject* Sender, bool& ContinueFromStart)>;
using TDateTimeChangeEvent = std::function<void(TObject* Sender, int ACol, int ARow, TDateTime ADateTime)>;
using TEditChangeEvent = std::function<void(TObject* Sender, int ACol, int ARow, const QString& Value)>;
using TRowCountChangeEvent = std::function<void(TObject* Sender, int FromCount, int ToCount)>;
using TRowDisjunctSelectEvent = std::function<void(TObject* Sender, int ARow, bool AState, bool& Allow)>;
using TRowDisjunctSelectedEvent = std::function<void(TObject* Sender, int ARow)>;
using TColDisjunctSelectEvent = std::function<void(TObject* Sender, int ACol, bool AState, bool& Allow)>;
using TColDisjunctSelectedEvent = std::function<void(TObject* Sender, int ACol)>;
using TSelectionChangedEvent =
    std::function<void(TObject* Sender, int ALeft, int ATop, int ARight, int ABottom)>;
using TUnitChangedEvent = std::function<void(TObject* Sender, int ACol, int ARow, const QString& NewUnit)>;
using TComboCloseUpDropDownEvent = std::function<void(TObject* Sender, int ARow, int ACol)>;
using TFixedEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, TGridFixedCellEditor& AEditor,
                                           TStrings* Values)>;
using TBeforeEditEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& Allow)>;
using TFilterShowEvent = std::function<void(TObject* Sender, int ACol, bool& Allow)>;
using TFilterCloseEvent = std::function<void(TObject* Sender, int ACol)>;
using TLoadCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, QString& Value)>;
using TSaveCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, QString& Value)>;
using TCheckBoxChangeEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool State)>;
using TRatingChangeEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, double& NewRate, bool& Allow)>;
using THoverButtonsShowEvent = std::function<void(TObject* Sender, int X, int Y, bool& Allow)>;
// The colours a progress cell is painted with: bar, background, text over
// the bar, text over the background.
using TProgressColorEvent = std::function<void(TObject* Sender, int ACol, int ARow, TColor& ColorFG,
                                               TColor& ColorBK, TColor& TextColorFG, TColor& TextColorBK)>;
// Page size and range of a cell scroll bar.
struct TScrollProp {
  int PageSize = 0;
  int Range = 0;
};
// Progress of a file operation in whole percent.
using TGridProgressEvent = std::function<void(TObject* Sender, short Progress)>;
using TGetCellGradientEvent = std::function<void(TObject* Sender, int ARow, int ACol, TColor& Color, TColor& ColorTo,
                                                TColor& ColorMirror, TColor& ColorMirrorTo,
                                                TCellGradientDirection& GD)>;
using TGetCellBorderPropEvent = std::function<void(TObject* Sender, int ARow, int ACol, TPen* LeftPen, TPen* TopPen,
                                                   TPen* RightPen, TPen* BottomPen)>;
using TUpdateColumnSizeEvent = std::function<void(TObject* Sender, int ACol, int& AWidth)>;
using TCellsChangedEvent = std::function<void(TObject* Sender, TRect R)>;
using TAutoDeleteRowEvent = std::function<void(TObject* Sender, int ARow)>;
using TRowChangedEvent = std::function<void(TObject* Sender, int OldRow, int NewRow)>;
// Before the current row changes; a handler may refuse (Allow := false).
using TRowChangingEvent = std::function<void(TObject* Sender, int OldRow, int NewRow, bool& Allow)>;

// Clipboard and drag and drop (grid/io/KitGridClipboard.cpp, grid/io/KitGridDragDrop.cpp).
enum TClipOperation { coCut, coCopy };
TF_ENUM_NAMES(TClipOperation, coCut, coCopy)
using TClipboardBeforePasteCellEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, QString& Value, bool& Allow)>;
using TClipboardAfterPasteCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, const QString& Value)>;
using TClipboardPasteDoneEvent = std::function<void(TObject* Sender, const TGridRect& CellRect)>;
using TOleDropEvent = std::function<void(TObject* Sender, int ARow, int ACol, const QString& data, bool& Allow)>;
using TOleDropURLEvent = std::function<void(TObject* Sender, int ARow, int ACol, const QString& URL, bool& Allow)>;
using TOleDropFileEvent =
    std::function<void(TObject* Sender, int ARow, int ACol, const QString& FileName, bool& Allow)>;
using TOleDropFilesEvent = std::function<void(TObject* Sender, int ARow, int ACol, TStrings* Files)>;
using TOleDropColEvent = std::function<void(TObject* Sender, int ARow, int ACol, int DropCol)>;
using TOleDroppedEvent = std::function<void(TObject* Sender, const TGridRect& ARect)>;
using TOleDragOverEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& Allow)>;
using TOleDragEvent = std::function<void(TObject* Sender, int ARow, int ACol, const QString& data, bool& Allow)>;
using TOleDragStartEvent = std::function<void(TObject* Sender, int ARow, int ACol)>;
using TOleDragStopEvent = std::function<void(TObject* Sender, int OLEEffect)>;
class TGridDropTarget;
class TGridDropSource;
// What a data binder fills a grid through; "normal" rows and columns are
// the ones that are not fixed.
class IKitDataBinderGrid {
 public:
  virtual ~IKitDataBinderGrid() = default;
  virtual void DataBinderClear() = 0;
  virtual int DataBinderRowCount() = 0;
  virtual void DataBinderSetColCount(int n) = 0;
  virtual void DataBinderSetHeader(int c, const QString& Value) = 0;
  virtual void DataBinderSetRowCount(int n) = 0;
  virtual void DataBinderSetCell(int c, int r, const QString& Value) = 0;
};

// The parts of a control that a visual style paints.
enum TStyleElement { seFont, seClient, seBorder };
TF_ENUM_NAMES(TStyleElement, seFont, seClient, seBorder)
using TStyleElements = TSet<TStyleElement>;

// An object told about changed cells of the grids it is registered with.
class TGridChangeNotifier : public TObject {
 public:
  virtual void CellsChanged(TObject* Grid, const TRect& R) {}
};

// Where a cell's graphic goes: its kind's size and places, and whether the
// cell text is drawn beside it (false: the graphic stands for the text).
struct TCellGraphicLayout {
  TCellGraphic* Graphic = nullptr;
  TCellHAlign HAlign = haLeft;
  TCellVAlign VAlign = vaTop;
  int Width = 0;
  int Height = 0;
  bool DrawText = true;
};

// What the cell painter works with while it paints one cell; shared by its
// steps (text, graphic), gone when the cell is done.
struct TCellPaintContext {
  TCanvas* Canvas = nullptr;
  TRect Rect;
  TGridDrawState State;
  int DisplCol = 0;
  int RealCol = 0;
  int Row = 0;
  int SelRow = 0;
  bool FilterGlyph = false;
  int ScrollOffset = 0;
  bool WordWrap = false;
  TCellGradientDirection Gradient = GradientVertical;
  TAlignment HAlign = taLeftJustify;
  TVAlignment VAlign = vtaTop;
  TColor ColorTo = 0x1FFFFFFF;
  TColor MirrorColor = 0x1FFFFFFF;
  TColor MirrorColorTo = 0x1FFFFFFF;
  TCellGraphic* Graphic = nullptr;
  TCellGraphicLayout Layout;
  bool Fixed = false;
  bool Themed = false;
  TColor SavedBrush = 0;
  TColor SavedFont = 0;
  // Written by the text step.
  int TextWidth = 0;
  int TextHeight = 0;
};

// ---------------------------------------------------------------------------
// Unit routines

TGridRect MakeGridRect(int Left, int Top, int Right, int Bottom);
QChar GetTimeSeparatorChar();
QChar GetDateSeparatorChar();
QChar GetThousandSeparatorChar();
QChar GetDecimalSeparatorChar();
QString GetShortDateFormatText();
QString GetShortTimeFormatText();
QString GetLongTimeFormatText();
QString GetCurrencyText();
// Logical comparison: digit runs by value, letters without case.
int NaturalCompareText(const QString& A, const QString& B);
// The most significant 32 bits of a module's version (major.minor); -1 for a
// module without version information. Modules of this platform carry none.
int GetFileVersionMS(const QString& FileName);

// The unit-wide state of the grid unit, set up once before any grid exists.
struct TKitGridUnit {
  // Registers the grid's classes, the clipboard format and the window
  // messages (idempotent).
  static void Startup();
  static bool Started();
  // The cursor shown over links in cells; every constructed grid sets it.
  static TCursor HyperlinkCursor();
  // The grid whose focus frame follows window moves (nullptr when none).
  static TKitStringGrid* FocusFrameGrid();
  static void SetFocusFrameGrid(TKitStringGrid* Grid);
  // The private clipboard format "TKitStringGrid Cells".
  static Word ClipboardFormat();
  // Registered messages: "GridEditDone", "GridEditShow", "GridEditInvalid",
  // "GridEditProp", "DTPShiftFocus", "FilterEditUpdate".
  static Word MessageId(const QString& Name);
  // Names of the registered classes, in registration order.
  static const QStringList& RegisteredClassNames();
  // The common-controls version is 4.70 or later.
  static bool CommonControls470();
};

// ---------------------------------------------------------------------------
// TKitStringGrid

class TKitStringGrid : public TBaseGrid,
                       public IVDXStyleEx,
                       public IVDXTones,
                       public IKitGridSettingsOwner,
                       public IKitDataBinderGrid {
 public:
  TF_DECLARE_PUBLISHED(TKitStringGrid)
  static constexpr const char* IKitDataBinderGridGUID = "{D23BDEAA-49B1-451A-9401-0D0D11A9957A}";

  explicit TKitStringGrid(TComponent* AOwner);
  ~TKitStringGrid() override;

  // The steps of construction that call virtual operations a descendant may
  // override (the footer panel, the default row height); runs after the
  // most derived constructor: create a grid with Create<TKitStringGrid> or
  // CreateUnique<TKitStringGrid>. Runs once.
  void AfterConstruction() override;

  // --- lifetime
  void Assign(TPersistent* Source) override;
  void Loaded() override;
  void Invalidate() override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  // The components the grid owns are internal parts it builds itself: none
  // is written with it by component streaming.
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override {}
  // Forgets the in-place editor's one-shot repaint swallow.
  void SetEditChangeSwallow() { FEditChange = true; }

  // --- IVDXStyle, IVDXStyleEx, IVDXTones (the styles are applied with the
  // grid's styles and themes)
  // The style's colour table, then the style to the drop-down editors, the
  // metro scroll bars ended and ComponentStyleChanged; tsCustom is only
  // stored. SetComponentStyle passes no application colour.
  void SetComponentStyle(TVDXStyle AStyle) override { SetComponentStyleAndAppColor(AStyle, clNone); }
  void SetComponentStyleAndAppColor(TVDXStyle AStyle, TColor AppColor) override;
  // The flat metro grid of the tones' brush, border and text colours.
  void SetColorTones(const TColorTones& ATones) override;
  // A Windows XP colour scheme on the fixed cells, the active cell and the
  // search footer; no repaint.
  void SetTheme(TXPColorScheme Scheme);
  // The component style of the installed Office theme, when that theme
  // changed since the last call (not at design time).
  void AdaptToOfficeTheme();
  const TColorTones& ColorTones() const { return FColorTones; }

  // --- what the settings objects ask of their grid
  TComponent* SettingsComponent() override { return this; }
  void SettingsRepaint() override { Repaint(); }
  void SetVDXGradientColor(const QString& PropertyName, TColor Value) override;
  int SettingsNodeCount() override { return 0; }
  bool SettingsHasParent() override { return Parent() != nullptr; }
  void SettingsStretchColumn(int ACol, int NewWidth) override { StretchColumn(ACol, NewWidth); }
  // A fixed-cell gradient colour by its property name ("VDXGradientFrom",
  // "VDXGradientHoverTo"...); clNone for a name never set.
  TColor VDXGradientColor(const QString& PropertyName) const;

  // =========================================================================
  // Dimensions and update locking

  int RowCount() const { return RawRowCount(); }
  void SetRowCount(int Value);
  int ColCount() const { return RawColCount(); }
  void SetColCount(int Value);
  int Col() const { return RawCol(); }
  void SetCol(int Value);
  int Row() const { return RawRow(); }
  void SetRow(int Value) { SetRowEx(Value); }
  int GetRowEx() const { return RawRow(); }
  int TopRow() const { return RawTopRow(); }
  void SetTopRow(int Value) { SetTopRowEx(Value); }
  int GetTopRowEx() const { return RawTopRow(); }
  void SetTopRowEx(int Value);
  int FixedRows() const;
  void SetFixedRows(int Value);
  int FixedCols() const;
  void SetFixedCols(int Value);
  bool FixedRowAlways() const { return FFixedRowAlways; }
  void SetFixedRowAlways(bool Value) { FFixedRowAlways = Value; }
  bool FixedColAlways() const { return FFixedColAlways; }
  void SetFixedColAlways(bool Value) { FFixedColAlways = Value; }
  int FixedFooters() const { return FFixedFooters; }
  void SetFixedFooters(int Value);
  int FixedRightCols() const { return FFixedRightCols; }
  void SetFixedRightCols(int Value);
  int DefaultRowHeight() const { return TBaseGrid::DefaultRowHeight(); }
  int GetDefaultRowHeight() const { return TBaseGrid::DefaultRowHeight(); }
  int FixedRowHeight() const { return FFixedRowHeight; }
  void SetFixedRowHeight(int Value);
  int FixedColWidth() const;
  void SetFixedColWidth(int Value);
  TAlignment DefaultAlignment() const { return FDefaultAlignment; }
  void SetDefaultAlignment(TAlignment Value);
  bool WordWrap() const { return FWordWrapEx; }
  void SetWordWrap(bool Value);
  int AllColCount() const { return ColCount() + NumHiddenColumns(); }
  int AllRowCount() const { return RowCount() + NumHiddenRows(); }
  int LastCol() const { return ColCount() - 1; }
  int LastRow() const { return RowCount() - 1; }
  int ZoomFactor() const { return FZoomFactor; }
  int FixedCellsWidth();
  int FilteredRows();
  int MaxRowCount() const { return FMaxRowCount; }
  int MaxColCount() const { return FMaxColCount; }
  int FixedRowsMin() const { return FFixedRowsMin; }
  int FixedColsMin() const { return FFixedColsMin; }

  // Cell text by real row, real column, sort position and as wide text.
  QString AllCells(int c, int r) { return GetCellsEx(c, r); }
  void SetAllCells(int c, int r, const QString& Value) { SetCellsEx(c, r, Value); }
  QString GetCellsEx(int c, int r);
  void SetCellsEx(int c, int r, const QString& Value);
  QString GetCellByRealRow(int c, int r) { return GetCellsEx(c, r); }
  void SetCellByRealRow(int c, int r, const QString& Value) { SetCellsEx(c, r, Value); }
  QString AllGridCells(int c, int r) const;
  void SetAllGridCells(int c, int r, const QString& Value);
  QString AllWideCells(int c, int r) { return GetCellByRealRow(c, r); }
  void SetAllWideCells(int c, int r, const QString& Value) { SetCellByRealRow(c, r, Value); }
  QString WideCells(int c, int r) { return GetCellEx(c, r); }
  void SetWideCells(int c, int r, const QString& Value) { SetCellEx(c, r, Value); }
  QString RealCells(int c, int r) { return GetCellEx(RealColIndex(c), r); }
  void SetRealCells(int c, int r, const QString& Value) { SetCellEx(RealColIndex(c), r, Value); }
  QString OriginalCells(int c, int r);
  void SetOriginalCells(int c, int r, const QString& Value);
  QString UnSortedCells(int c, int r);
  void SetUnSortedCells(int c, int r, const QString& Value);
  QString CurrentCell() { return GetCurrentCell(); }
  bool IsWideCell(int c, int r);
  int SortedRowIndex(int ARow) const;
  int UnSortedRowIndex(int ARow) const;
  TIntList* SortRowXRef() const { return FSortRowXRef.get(); }

  // Objects and properties by real row.
  TObject* AllObjects(int c, int r) const;
  void SetAllObjects(int c, int r, TObject* Value);
  TObject* GetCellPropertiesEx(int c, int r) const;
  TControl* CellControls(int c, int r) const;
  void SetCellControls(int c, int r, TControl* AControl);
  int NumCellControls() const { return FNumCellControls; }
  TKitControlList* ControlList() const { return FControlList.get(); }
  int AllColWidths(int c) const;
  void SetAllColWidths(int c, int Value);
  TEditorType CurrentEditor() const { return FCurrentEditor; }
  TCursor Cursor() const { return TControl::Cursor(); }
  void SetCursor(TCursor Value);
  int LinesInCell(int c, int r);

  // Per-cell appearance; reads answer defaults for cells without a record.
  TColor Colors(int c, int r) const;
  void SetColors(int c, int r, TColor Value);
  TColor ColorsTo(int c, int r) const;
  void SetColorsTo(int c, int r, TColor Value);
  TCellGradientDirection Gradients(int c, int r) const;
  void SetGradients(int c, int r, TCellGradientDirection Value);
  TColor FontColors(int c, int r) const;
  void SetFontColors(int c, int r, TColor Value);
  TFontStyles FontStyles(int c, int r) const;
  void SetFontStyles(int c, int r, TFontStyles Value);
  QString FontNames(int c, int r) const;
  void SetFontNames(int c, int r, const QString& Value);
  // In points: read from the record's height (or the grid font's).
  int FontSizes(int c, int r);
  void SetFontSizes(int c, int r, int Value);
  TAlignment Alignments(int c, int r) const;
  void SetAlignments(int c, int r, TAlignment Value);
  bool ReadOnly(int c, int r) const { return GetReadOnly(c, r); }
  bool GetReadOnly(int c, int r) const;
  void SetReadOnly(int c, int r, bool Value);
  bool WordWraps(int c, int r);
  void SetWordWraps(int c, int r, bool Value);
  // The grid's font for a cell without a record; otherwise a scratch font
  // (the same object for every cell: copy it before the next read).
  TFont* Fonts(int c, int r);
  void SetFonts(int c, int r, TFont* Value);
  void SetRowColor(int r, TColor Value);
  void SetRowColorTo(int r, TColor Value);
  void SetRowFontColor(int r, TColor Value);

  // Update locking. BeginUpdate and EndUpdate always count; only the redraw
  // lock of the window depends on visibility and the window's existence.
  void BeginUpdate();
  void EndUpdate();
  void StartUpdate() { ++FUpdateCount; }
  void ResetUpdate() { FUpdateCount = 0; }
  bool IsUpdating() const { return FUpdateCount > 0; }
  int UpdateCount() const { return FUpdateCount; }
  bool LockUpdate() const { return FUpdateCount != 0; }
  void SetLockUpdate(bool Value) {
    if (Value) BeginUpdate();
    else EndUpdate();
  }
  bool RedrawLocked() const { return FRedrawLocked; }
  bool ScrollLock() const { return FScrollLock; }
  bool RHChanging() const { return FRHChanging; }
  void ResetFixedCellHighlight();

  // Simple setters.
  TColor SelectionColor() const { return FSelectionColor; }
  void SetSelectionColor(TColor Value);
  TColor SelectionColorTo() const { return FSelectionColorTo; }
  void SetSelectionColorTo(TColor Value);
  TColor SelectionMirrorColor() const { return FSelectionMirrorColor; }
  void SetSelectionMirrorColor(TColor Value);
  TColor SelectionMirrorColorTo() const { return FSelectionMirrorColorTo; }
  void SetSelectionMirrorColorTo(TColor Value);
  TColor SelectionTextColor() const { return FSelectionTextColor; }
  void SetSelectionTextColor(TColor Value);
  TColor SelectionRectangleColor() const { return FSelectionRectangleColor; }
  void SetSelectionRectangleColor(TColor Value);
  bool SelectionColorMixer() const { return FSelectionColorMixer; }
  void SetSelectionColorMixer(bool Value);
  bool SelectionRectangle() const { return FSelectionRectangle; }
  void SetSelectionRectangle(bool Value);
  bool SelectionResizer() const { return FSelectionResizer; }
  void SetSelectionResizer(bool Value);
  int SelectionColorMixerFactor() const { return FSelectionColorMixerFactor; }
  void SetSelectionColorMixerFactor(int Value);
  bool SelectionRTFKeep() const { return FSelectionRTFKeep; }
  void SetSelectionRTFKeep(bool Value) { FSelectionRTFKeep = Value; }
  bool ShowSelection() const { return FShowSelection; }
  void SetShowSelection(bool Value);
  bool ShowFocusedSelectionColor() const { return FShowFocusedSelectionColor; }
  void SetShowFocusedSelectionColor(bool Value) { FShowFocusedSelectionColor = Value; }
  bool UseSelectionTextColor() const { return FUseSelectionTextColor; }
  void SetUseSelectionTextColor(bool Value) { FUseSelectionTextColor = Value; }
  bool HideFocusRect() const { return FHideFocusRect; }
  void SetHideFocusRect(bool Value) { FHideFocusRect = Value; }
  int MaxEditLength() const { return FMaxEditLength; }
  // Also the length limit of the in-place editor when it exists.
  void SetMaxEditLength(int Value);
  bool SizeWithForm() const { return FSizeWithForm; }
  void SetSizeWithForm(bool Value);
  bool SpreadSheet() const { return FSpreadSheet; }
  void SetSpreadSheet(bool Value);
  TVAlignment VAlignment() const { return FVAlignment; }
  void SetVAlignment(TVAlignment Value);
  int VAlignFlag() const { return FVAlign; }
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  bool UseHTMLHints() const { return FUseHTMLHints; }
  void SetUseHTMLHints(bool Value) { FUseHTMLHints = Value; }
  bool UseStyleServices() const { return FUseStyleServices; }
  void SetUseStyleServices(bool Value);
  bool ShowDesignHelper() const { return FShowDesignHelper; }
  void SetShowDesignHelper(bool Value);
  bool ActiveCellShow() const { return FActiveCellShow; }
  void SetActiveCellShow(bool Value);
  TColor ActiveCellColor() const { return FActiveCellColor; }
  void SetActiveCellColor(TColor Value);
  TColor ActiveCellColorTo() const { return FActiveCellColorTo; }
  void SetActiveCellColorTo(TColor Value);
  TFormatType FormatType() const { return FFormatType; }
  void SetFormatType(TFormatType Value);
  TColor VDXGradientFrom() const { return FVDXGradientFrom; }
  void SetVDXGradientFrom(TColor Value);
  TColor VDXGradientTo() const { return FVDXGradientTo; }
  void SetVDXGradientTo(TColor Value);
  TColor VDXGradientMirrorFrom() const { return FVDXGradientMirrorFrom; }
  void SetVDXGradientMirrorFrom(TColor Value);
  TColor VDXGradientMirrorTo() const { return FVDXGradientMirrorTo; }
  void SetVDXGradientMirrorTo(TColor Value);
  TBitmap* RowIndicator() const { return FRowIndicator.get(); }
  TKitStringGridCheck* CellChecker() const { return FCellChecker; }
  void SetCellChecker(TKitStringGridCheck* Value);

  // Zoom: -20 .. 20 steps; a step that leaves the range is ignored.
  virtual void Zoom(int x);
  virtual void ZoomReset();
  virtual void BeginZoom() { FRHChanging = true; }
  virtual void EndZoom() { FRHChanging = false; }

  // =========================================================================
  // Typed cell access and per-cell appearance

  // The cell's text with markup removed.
  QString GetStrippedCell(int c, int r);
  int Ints(int ACol, int ARow);
  void SetInts(int ACol, int ARow, int Value);
  int AllInts(int ACol, int ARow);
  void SetAllInts(int ACol, int ARow, int Value);
  double Floats(int ACol, int ARow);
  void SetFloats(int ACol, int ARow, double Value);
  double AllFloats(int ACol, int ARow);
  void SetAllFloats(int ACol, int ARow, double Value);
  TDateTime Dates(int ACol, int ARow);
  void SetDates(int ACol, int ARow, TDateTime Value);
  TDateTime Times(int ACol, int ARow);
  void SetTimes(int ACol, int ARow, TDateTime Value);
  void SetDateTimes(int ACol, int ARow, TDateTime Value);
  QString ControlValues(int ACol, int ARow, const QString& ID);
  void SetControlValues(int ACol, int ARow, const QString& ID, const QString& Value);
  int PrintColWidth(int ACol) const;
  int PrintColOffset(int ACol) const;
  QString Version();
  void SetVersion(const QString&) {}

  TStringList* ColumnHeaders() const { return FColumnHeaders.get(); }
  void SetColumnHeaders(TStrings* Value);
  TStringList* RowHeaders() const { return FRowHeaders.get(); }
  void SetRowHeaders(TStrings* Value);
  void ShowColumnHeaders();
  void ClearColumnHeaders();
  void ShowRowHeaders();
  void ClearRowHeaders();
  TFont* FixedFont() const { return FFixedFont.get(); }
  void SetFixedFont(TFont* Value);
  TFont* ActiveCellFont() const { return FActiveCellFont.get(); }
  void SetActiveCellFont(TFont* Value) { FActiveCellFont->Assign(Value); }
  TStringList* LookupItems() const { return FLookupItems.get(); }
  void SetLookupItems(TStrings* Value);

  void SetFontStyle(const TGridRect& GridRect, TFontStyle AStyle, bool DoSet);
  bool IsFontStyle(const TGridRect& GridRect, TFontStyle AStyle) const;
  void SetCellColor(const TGridRect& GridRect, TColor AColor);
  void SetCellTextColor(const TGridRect& GridRect, TColor AColor);
  void SetCellFontName(const TGridRect& GridRect, const QString& AFontName);
  void SetCellFontSize(const TGridRect& GridRect, int AFontSize);
  void SetAlignment(const TGridRect& GridRect, TAlignment AAlignment);
  bool IsAlignment(const TGridRect& GridRect, TAlignment AAlignment) const;

  QString HilightText(bool DoCase, const QString& S, const QString& Text);
  QString MarkText(bool DoCase, const QString& S, const QString& Text);
  QString UnHilightText(const QString& S);
  QString UnMarkText(const QString& S);
  void HilightInCell(bool DoCase, int Col, int Row, const QString& HiText, bool FullText = false);
  void HilightInCol(bool DoFixed, bool DoCase, int Col, const QString& HiText, bool FullText = false);
  void HilightInRow(bool DoFixed, bool DoCase, int Row, const QString& HiText, bool FullText = false);
  void HilightInGrid(bool DoFixed, bool DoCase, const QString& HiText, bool FullText = false);
  void MarkInCell(bool DoCase, int Col, int Row, const QString& HiText);
  void MarkInCol(bool DoFixed, bool DoCase, int Col, const QString& HiText);
  void MarkInRow(bool DoFixed, bool DoCase, int Row, const QString& HiText);
  void MarkInGrid(bool DoFixed, bool DoCase, const QString& HiText);
  void UnHilightInCell(int Col, int Row);
  void UnHilightInCol(bool DoFixed, int Col);
  void UnHilightInRow(bool DoFixed, int Row);
  void UnHilightInGrid(bool DoFixed);
  void UnMarkInCell(int Col, int Row);
  void UnMarkInCol(bool DoFixed, int Col);
  void UnMarkInRow(bool DoFixed, int Row);
  void UnMarkInGrid(bool DoFixed);

  bool CheckCell(int Col, int Row);
  bool CheckCells(int FromCol, int FromRow, int ToCol, int ToRow);
  bool CheckCol(bool DoFixed, int Col);
  bool CheckRow(bool DoFixed, int Row);
  bool CheckGrid(bool DoFixed);

  void TextFill(bool DoFixed, const QString& Txt);
  void FormatFill(bool DoFixed, const QString& Fmt);
  void RandomFill(bool DoFixed, int Rnd);
  void LinearFill(bool DoFixed);

  void RepaintCell(int c, int r) override;
  void RepaintRow(int ARow);
  void RepaintCol(int ACol);
  void RepaintActiveCellHeaders(int OldCol, int OldRow, int NewCol, int NewRow);
  void RepaintRect(const TRect& r);

  void SwapCells(TGridCoord FromCell, TGridCoord ToCell);
  void GotoCell(int ACol, int ARow);
  // Focuses the grid, goes to the cell and opens the in-place editor.
  void EditCell(int ACol, int ARow);
  void MoveCurrentCell(int ACol, int ARow);
  void FocusCell(int ACol, int ARow);

  // =========================================================================
  // Cell graphics

  TCellGraphic* CellGraphics(int ACol, int ARow) { return GetCellGraphic(ACol, ARow); }
  TCellType CellTypes(int ACol, int ARow) { return GetCellType(ACol, ARow); }
  bool IsEmpty(int ACol, int ARow) { return GetCellEmpty(ACol, ARow); }
  TCellGraphic* CreateCellGraphic(int ACol, int ARow);
  bool RemoveCellGraphic(int ACol, int ARow);
  bool RemoveCellGraphicType(int ACol, int ARow, TCellType CellType);
  bool HasCellType(int ACol, int ARow, TCellTypes Types);
  bool IsDataCell(int ACol, int ARow);
  bool HasClickableControl(int ACol, int ARow);
  TIntList* CellImages(int ACol, int ARow);
  int CellImageIdx(int ACol, int ARow);
  TPoint CellGraphicSize(int ACol, int ARow) { return GetCellGraphicSize(ACol, ARow); }
  // The grid's shared graphic of the row check boxes (never in a cell).
  TCellGraphic* RowCheckBoxGraphic() const { return FCellGraphic.get(); }

  // =========================================================================
  // Cell controls, indicators, comments and balloons, and how graphics are
  // painted (grid/model/KitGridCheck.cpp, KitGridIndicators.cpp,
  // KitGridGraphicPaint.cpp). Cells are real columns unless a member says
  // "display column". Adding a check box or radio button outside the grid
  // raises "Invalid cell"; negative indexes raise the list-index error.

  // --- check boxes
  void AddCheckBox(int ACol, int ARow, bool State, bool Data);
  void AddCheckBox(int ACol, int ARow, TCheckBoxState State);
  void AddCheckBoxColumn(int ACol, bool DefaultState = false, bool DataCheckBox = false);
  void AddTriStateCheckBoxColumn(int ACol, TCheckBoxState State);
  void RemoveCheckBox(int ACol, int ARow);
  void RemoveCheckBoxColumn(int ACol);
  bool HasCheckBox(int ACol, int ARow);
  bool HasDataCheckBox(int ACol, int ARow);
  bool IsDataCheckBoxColumn(int ACol);
  bool GetCheckBoxState(int ACol, int ARow, bool& State);
  bool GetCheckBoxState(int ACol, int ARow, TCheckBoxState& State);
  bool IsChecked(int ACol, int ARow);
  bool SetCheckBoxState(int ACol, int ARow, bool State);
  bool SetCheckBoxState(int ACol, int ARow, TCheckBoxState State);
  // SetCheckBoxState firing OnCheckBoxChange when the state really changes.
  bool ChangeCheckBoxState(int ACol, int ARow, bool Value);
  void CheckAll(int ACol);
  void UnCheckAll(int ACol);
  bool ToggleCheckBox(int ACol, int ARow) { return ToggleCellCheckBox(ACol, ARow, false); }
  // The point (client coordinates) hits the cell's check box or radio button.
  bool IsInCheckBox(int ACol, int ARow, int XPos, int YPos);
  // --- single radio buttons forming groups along a column or a row
  void AddRadioButton(int ACol, int ARow, bool State = false) { AddRadioButtonGroup(ACol, ARow, rgCol, State); }
  void AddRadioButtonGroup(int ACol, int ARow, TRadioButtonGroup Group, bool State = false);
  void AddRadioButtonColumn(int ACol);
  void AddRadioButtonGroupColumn(int ACol);
  void RemoveRadioButtonColumn(int ACol);
  void RemoveRadioButton(int ACol, int ARow);
  bool HasRadioButton(int ACol, int ARow);
  bool HasRadioButtonGroup(int ACol, int ARow, TRadioButtonGroup Group);
  bool IsRadioButtonChecked(int ACol, int ARow);
  bool SetRadioButtonState(int ACol, int ARow, bool State);
  void SetRadioButtonRowIndex(int ARow, int Index);
  void SetRadioButtonColumnIndex(int ACol, int Index);
  int GetRadioButtonColumnIndex(int ACol);
  // --- radio groups inside one cell; AddRadio's list stays the caller's
  void AddRadio(int ACol, int ARow, int DirRadio, int IdxRadio, TStrings* sl);
  TStrings* CreateRadio(int ACol, int ARow, int DirRadio, int IdxRadio);
  bool GetRadioIdx(int ACol, int ARow, int& IdxRadio);
  bool SetRadioIdx(int ACol, int ARow, int IdxRadio);
  TStrings* GetRadioStrings(int ACol, int ARow);
  bool IsRadio(int ACol, int ARow);
  bool RemoveRadio(int ACol, int ARow) { return RemoveCellGraphicType(ACol, ARow, ctRadio); }
  void NextRadioIdx(int ACol, int ARow, bool CheckEditable);
  // --- buttons (sizes in unscaled pixels)
  void AddButton(int ACol, int ARow, int bw, int bh, const QString& Caption, TCellHAlign hal, TCellVAlign val);
  void AddBitButton(int ACol, int ARow, int bw, int bh, const QString& Caption, TBitmap* Glyph, TCellHAlign hal,
                    TCellVAlign val);
  TBitmap* CreateBitButton(int ACol, int ARow, int bw, int bh, const QString& Caption, TCellHAlign hal,
                           TCellVAlign val);
  void SetButtonText(int ACol, int ARow, const QString& Caption);
  QString GetButtonText(int ACol, int ARow);
  void PushButton(int ACol, int ARow, bool Push);
  void RemoveButton(int ACol, int ARow);
  void RemoveBitButton(int ACol, int ARow);
  void RemoveAllButtons();
  bool HasButton(int ACol, int ARow);
  TRect GetButtonRect(int ACol, int ARow);
  TRect GetExpandRect(int ACol, int ARow);
  // The cell whose button the mouse is over (set by the mouse handling).
  TGridCoord HoverButtonCell() const { return FHoverButtonCell; }
  void SetHoverButtonCell(TGridCoord Value) { FHoverButtonCell = Value; }
  // Set by toggles and edits made on the user's behalf.
  bool Modified() const { return FGridModified; }
  void SetModified(bool Value) { FGridModified = Value; }

  // --- pictures and objects
  void AddBitmap(int ACol, int ARow, TBitmap* ABmp, bool Transparent, TCellHAlign hal, TCellVAlign val);
  TBitmap* CreateBitmap(int ACol, int ARow, bool Transparent, TCellHAlign hal, TCellVAlign val);
  TBitmap* GetBitmap(int ACol, int ARow);
  bool HasBitmap(int ACol, int ARow) { return GetBitmap(ACol, ARow) != nullptr; }
  bool RemoveBitmap(int ACol, int ARow) { return RemoveCellGraphicType(ACol, ARow, ctBitmap); }
  void AddPicture(int ACol, int ARow, TPicture* APicture, bool Transparent, TStretchMode StretchMode, int Padding,
                  TCellHAlign hal, TCellVAlign val);
  TPicture* CreatePicture(int ACol, int ARow, bool Transparent, TStretchMode StretchMode, int Padding,
                          TCellHAlign hal, TCellVAlign val);
  TPicture* GetPicture(int ACol, int ARow);
  bool HasPicture(int ACol, int ARow) { return GetPicture(ACol, ARow) != nullptr; }
  bool RemovePicture(int ACol, int ARow) { return RemoveCellGraphicType(ACol, ARow, ctPicture); }
  void AddFilePicture(int ACol, int ARow, TFilePicture* AFilePicture, bool Transparent, TStretchMode StretchMode,
                      int Padding, TCellHAlign hal, TCellVAlign val);
  TFilePicture* CreateFilePicture(int ACol, int ARow, bool Transparent, TStretchMode StretchMode, int Padding,
                                  TCellHAlign hal, TCellVAlign val);
  TFilePicture* GetFilePicture(int ACol, int ARow);
  bool HasFilePicture(int ACol, int ARow) { return GetFilePicture(ACol, ARow) != nullptr; }
  bool RemoveFilePicture(int ACol, int ARow) { return RemoveCellGraphicType(ACol, ARow, ctFilePicture); }
  void AddIcon(int ACol, int ARow, TIcon* AIcon, TCellHAlign hal, TCellVAlign val);
  TIcon* CreateIcon(int ACol, int ARow, TCellHAlign hal, TCellVAlign val);
  bool RemoveIcon(int ACol, int ARow) { return RemoveCellGraphicType(ACol, ARow, ctIcon); }
  // The object must be an IGridCell; it stays the caller's.
  void AddInterfacedCell(int ACol, int ARow, TPersistent* AObject);
  TPersistent* GetInterfacedCell(int ACol, int ARow);
  bool RemoveInterfacedCell(int ACol, int ARow) { return RemoveCellGraphicType(ACol, ARow, ctInterface); }
  // --- images of GridImages and pictures of PictureContainer
  void AddImageIdx(int ACol, int ARow, int Aidx, TCellHAlign hal, TCellVAlign val);
  bool GetImageIdx(int ACol, int ARow, int& idx);
  void SetImageIdx(int ACol, int ARow, int Idx);
  bool RemoveImageIdx(int ACol, int ARow) { return RemoveCellGraphicType(ACol, ARow, ctImageList); }
  void AddDataImage(int ACol, int ARow, int Aidx, TCellHAlign hal, TCellVAlign val);
  bool HasDataImage(int ACol, int ARow) { return HasCellType(ACol, ARow, TCellTypes{ctDataImage}); }
  void RemoveDataImage(int ACol, int ARow);
  void AddDataPicture(int ACol, int ARow, const QString& AName, TCellHAlign hal, TCellVAlign val);
  bool HasDataPicture(int ACol, int ARow) { return HasCellType(ACol, ARow, TCellTypes{ctDataPicture}); }
  void RemoveDataPicture(int ACol, int ARow);
  void AddMultiImage(int ACol, int ARow, int Dir, TCellHAlign hal, TCellVAlign val);
  bool RemoveMultiImage(int ACol, int ARow) { return RemoveCellGraphicType(ACol, ARow, ctImages); }
  // --- progress and value indicators
  void AddProgress(int ACol, int ARow, TColor FGColor, TColor BKColor);
  void AddProgressEx(int ACol, int ARow, TColor FGColor, TColor FGTextColor, TColor BKColor, TColor BKTextColor);
  void AddProgressFormatted(int ACol, int ARow, TColor FGColor, TColor FGTextColor, TColor BKColor,
                            TColor BKTextColor, const QString& Fmt, double Min, double Max, double Scale);
  bool HasProgress(int ACol, int ARow) { return HasCellType(ACol, ARow, TCellTypes{ctProgress}); }
  bool RemoveProgress(int ACol, int ARow) { return RemoveCellGraphicType(ACol, ARow, ctProgress); }
  void AddKitProgress(int ACol, int ARow, int Min, int Max);
  bool RemoveKitProgress(int ACol, int ARow) { return RemoveCellGraphicType(ACol, ARow, ctXPProgress); }
  void AddProgressPie(int ACol, int ARow, TColor Color, int Value);
  void SetProgressPie(int ACol, int ARow, int Value);
  bool RemoveProgressPie(int ACol, int ARow) { return RemoveCellGraphicType(ACol, ARow, ctProgressPie); }
  void AddRangeIndicator(int ACol, int ARow, int Range, TColor NegColor, TColor PosColor, bool ShowValue);
  bool RemoveRangeIndicator(int ACol, int ARow) { return RemoveCellGraphicType(ACol, ARow, ctRangeIndicator); }
  void AddRating(int ACol, int ARow, int Scale, TColor FillColor, TColor EmptyColor);
  bool HasRating(int ACol, int ARow) { return HasCellType(ACol, ARow, TCellTypes{ctRating}); }
  bool RemoveRating(int ACol, int ARow) { return RemoveCellGraphicType(ACol, ARow, ctRating); }
  void AddShape(int ACol, int ARow, TCellShape Shape, TColor FillColor, TColor LineColor, TCellHAlign hal,
                TCellVAlign val);
  bool HasShape(int ACol, int ARow) { return HasCellType(ACol, ARow, TCellTypes{ctShape}); }
  bool RemoveShape(int ACol, int ARow) { return RemoveCellGraphicType(ACol, ARow, ctShape); }
  void SetShapeColor(int ACol, int ARow, TColor FillColor);
  TColor GetShapeColor(int ACol, int ARow);
  // --- cell scroll bars
  void AddScrollBar(int ACol, int ARow, bool AutoRange);
  bool HasScrollBar(int ACol, int ARow) { return HasCellType(ACol, ARow, TCellTypes{ctScrollbar}); }
  bool HasAutoRangeScrollBar(int ACol, int ARow);
  bool RemoveScrollBar(int ACol, int ARow) { return RemoveCellGraphicType(ACol, ARow, ctScrollbar); }
  void SetScrollPosition(int ACol, int ARow, int Pos);
  int GetScrollPosition(int ACol, int ARow);
  void SetScrollProp(int ACol, int ARow, TScrollProp Prop);
  TScrollProp GetScrollProp(int ACol, int ARow);
  // The range of an automatic-range scroll bar from its cell.
  void UpdateCellScrollBar(int ACol, int ARow) override;
  // --- rotated text
  void AddRotated(int ACol, int ARow, int16_t AAngle, const QString& s);
  void SetRotated(int ACol, int ARow, int16_t AAngle);
  bool IsRotated(int ACol, int ARow, int& aAngle);
  bool RemoveRotated(int ACol, int ARow) { return RemoveCellGraphicType(ACol, ARow, ctRotated); }
  // --- comments (CellComment reads GetComment, writes SetComment)
  QString CellComment(int ACol, int ARow) { return GetComment(ACol, ARow); }
  void SetCellComment(int ACol, int ARow, const QString& Value) { SetComment(ACol, ARow, Value); }
  void AddComment(int ACol, int ARow, const QString& Comment);
  void AddColorComment(int ACol, int ARow, const QString& Comment, TColor Color);
  bool IsComment(int ACol, int ARow, QString& Comment);
  QString GetComment(int ACol, int ARow);
  void SetComment(int ACol, int ARow, const QString& Value);
  void RemoveComment(int ACol, int ARow);
  void RemoveAllComments();
  // --- error markers under a stretch of the text
  void AddMarker(int ACol, int ARow, int ErrPos, int ErrLen);
  void GetMarker(int ACol, int ARow, int& ErrPos, int& ErrLen);
  void RemoveMarker(int ACol, int ARow);
  void RemoveAllMarkers();
  // --- balloons (shown by the grid's balloon window when Balloon.Enable)
  void AddBalloon(int ACol, int ARow, const QString& Title, const QString& Text, TBalloonIcon Icon);
  bool IsBalloon(int ACol, int ARow, QString& Title, QString& Text, TBalloonIcon& Icon);
  bool HasBalloon(int ACol, int ARow) { return HasCellType(ACol, ARow, TCellTypes{ctBalloon}); }
  void RemoveBalloon(int ACol, int ARow);

  // --- painting of cell graphics
  TCellGraphicLayout GetCellGraphicLayout(int ACol, int ARow);
  // Places and paints the graphic of the cell being painted in ARect (which
  // may change; the caller keeps the change).
  void DrawCellGraphic(TCellPaintContext& Ctx, TRect& ARect);
  void DrawCheckBox(TCanvas* Canvas, const TRect& ARect, bool Checked, TCheckBoxState State, bool TriState,
                    TControlLook::TControlStyle Style, bool Grayed, bool Enabled);
  void DrawRadioButton(TCanvas* Canvas, const TRect& ARect, bool Reverse, double Scale,
                       TControlLook::TControlStyle Style, int ARow, int ACol, bool Selected, TStrings* Items,
                       bool Disabled, bool SideBySide, int CheckedIndex, int Count);
  static int ClampPercent(int X) { return X < 0 ? 0 : (X > 100 ? 100 : X); }

  TCheckBoxCanToggleEvent OnCheckBoxCanToggle;
  TProgressColorEvent OnProgressColor;

  // =========================================================================
  // Row and column selection, row states

  bool RowSelect(int ARow) { return GetRowSelect(ARow); }
  bool GetRowSelect(int ARow);
  void SetRowSelect(int ARow, bool Value);
  bool ColSelect(int ACol) { return GetColSelect(ACol); }
  bool GetColSelect(int ACol);
  void SetColSelect(int ACol, bool Value);
  void SelectRows(int RowIndex, int RCount);
  void UnSelectRows(int RowIndex, int RCount);
  void SelectAll();
  void SelectCols(int ColIndex, int CCount);
  void UnSelectCols(int ColIndex, int CCount);
  void SelectRange(int FromCol, int ToCol, int FromRow, int ToRow);
  void ClearRowSelectList();
  void ClearRowSelect();
  void ClearColSelect();
  bool SelectionToRowSelect(bool ClearOthers);
  void SelectionToColSelect(bool ClearOthers);
  int RowSelectCount() { return GetRowSelectCount(); }
  int GetRowSelectCount();
  int ColSelectCount() { return GetColSelectCount(); }
  int GetColSelectCount();
  void LastRowHook() {}
  std::unique_ptr<TStringList> DistinctValues(int ACol, bool CaseSensitive);
  int ModifiedRowCount() const;
  bool RowModified(int ARow) const;
  void SetRowModified(int ARow, bool Value);
  bool RowEnabled(int ARow) const;
  void SetRowEnabled(int ARow, bool Value);
  bool UseEnabledRows() const { return FUseEnabledRows; }
  TIntList* SelectedRows() const { return FSelectedRows.get(); }
  TGridRect DisSelection() const { return FDisSelection; }

  // The framework's selection; the setter repaints the active headers and
  // row.
  TGridRect Selection() const { return RawSelection(); }
  void SetSelection(const TGridRect& Value) override;
  TGridRect GetSelection() const { return RawSelection(); }

  // =========================================================================
  // Hidden and suppressed rows (grid/dataops/KitGridHiddenRows.cpp).
  //
  // A hidden row leaves the cell store: its texts, cell records and height
  // wait in a record of HiddenRowStore() (a TGridItem) until the row is
  // shown again. Every record carries the row's real index (hidden rows
  // counted), whichever call hid it, and the store keeps the records in
  // ascending real order; display rows are the rows still in the store.
  // Hiding and showing leave the per-row lists (modified, enabled and
  // selected rows, cell controls' rows), which are indexed by real row, as
  // they are. A suppressed row stays in the store with height 0.

  bool IsHiddenRow(int RowIndex) const;
  // The same through a caller-kept ascending list of the hidden real rows,
  // made on the first call (ListHidden empty) for loops over many rows.
  bool IsHiddenRow(int RowIndex, std::unique_ptr<TIntList>& ListHidden) const;
  int NumHiddenRows() const { return FHiddenRowStore->Count(); }
  int NumSuppressedRows() const;
  int TotalRowCount() const { return RowCount() + NumHiddenRows(); }
  // Hidden columns: grid/dataops/KitGridHiddenCols.cpp.
  bool IsHiddenColumn(int ColIndex) const;
  int NumHiddenColumns() const { return FNumHidden; }
  bool IsSuppressedRow(int RowIndex) const;
  int RealRowIndex(int ARow) const { return DisplToRealRow(ARow); }
  int DisplRowIndex(int ARow) const { return RealToDisplRow(ARow); }
  int RealRow() const { return DisplToRealRow(Row()); }
  // The real row of a display row, and the display row of a real row (a
  // hidden row answers the display row after it). Binary searches over the
  // sorted lookup of the records, rebuilt after every change to them.
  int RealToDisplRow(int r) const;
  int DisplToRealRow(int r) const;
  int DisplToRealCol(int c) const;
  int RealToDisplCol(int c) const;
  int GetRealCol() { return RealColIndex(Col()); }
  // The stored cells of a hidden real row (texts with their cell records as
  // objects), nullptr for a row that is not hidden.
  TStrings* GetHiddenRowStrings(int ARealRow) const;
  // Forgets the sorted lookup; code that changes HiddenRowStore() records
  // itself calls it.
  void ClearHiddenRowLookup() const { FHiddenRowLookupValid = false; }

  // Hides real rows FromRow..ToRow (rows hidden already are skipped). The
  // floating footer row and the last row after the fixed rows are never
  // hidden.
  void HideRow(int RowIndex) { HideRows(RowIndex, RowIndex); }
  void HideRows(int FromRow, int ToRow);
  // As HideRows, but nothing at all when FromRow is hidden already.
  void HideRowsEx(int FromRow, int ToRow);
  // Shows the hidden rows of a real block again at their places; nothing
  // unless FromRow is hidden.
  void UnHideRow(int RowIndex) { UnHideRows(RowIndex, RowIndex); }
  void UnHideRows(int FromRow, int ToRow);
  void UnHideRowsAll();
  // One filter level: hides the listed display rows (ascending) as records
  // of level FilterLevel() and raises the level; with FilterType ftSuppress
  // the rows are suppressed instead and no level is made. A list naming
  // every row keeps its first row shown.
  void HideRowList(TIntList* RowList);
  // Shows the rows of the last HideRowList level again and lowers the
  // level; rows hidden by HideRows stay hidden.
  void UnHideRowList();

  // Suppression: height (width) 0, the size remembered in
  // SuppressRowSizes() (SuppressColSizes()) per display row (column).
  void SuppressRow(int Index);
  void SuppressRows(int FromRow, int ToRow);
  void UnSuppressRow(int Index);
  void UnSuppressRows(int Index, int ToRow);
  void UnSuppressAllRows();
  // Restores suppressed rows except the children of contracted nodes.
  void UnSuppressAllOpenRows();
  void SuppressColumn(int Index);
  void UnSuppressColumn(int Index);
  void UnSuppressAllColumns();
  bool IsSuppressedColumn(int Index) const;
  // Columns skipped by sorting, searching and row sizing.
  bool IsIgnoredColumn(int ACol) const { return FIgnoreColumns->HasValue(ACol); }

  // The selection parked just outside the grid (ColCount, RowCount), and
  // back.
  void HideSelection();
  void UnHideSelection();
  bool SelectionHidden() const { return FSelHidden; }
  bool IsSelectionHidden() const;
  // The bounding rectangle (real columns) of the cells that hold text;
  // (0, 0, 0, 0) when none does.
  TRect UsedCells() { return GetUsedCells(); }
  virtual TRect GetUsedCells();
  int ColumnPosition(int ACol) const;
  void UpdateFooter();
  void CalcFooter(int ACol) { DoCalcFooter(ACol); }
  void UpdateVertScrollProportional() {}
  void UpdateHorzScrollProportional() {}
  void UpdateAlwaysScrollBars(bool Flag) {}
  void UpdateFlatScrollBars() {}
  // Lays the search panel along the grid's bottom (only with a window and
  // a visible search footer).
  void UpdateSearchPanel();
  // Applies the SearchFooter settings to the search panel: visibility,
  // colours, captions, hints, font, the buttons' look, which controls show,
  // their flow from left to right, and the panel's height and place.
  void UpdateSearchFooter();
  // The grid's side of the search panel's events. Typing tells
  // OnSearchEditChange and repaints the highlighted matches; the highlight
  // button repaints; the match-case box types again while highlighting;
  // closing tells OnSearchFooterClose and hides the footer.
  void SearchEditChange(TObject* Sender);
  void SearchPanelCloseClick(TObject* Sender);
  void SearchPanelHighlightClick(TObject* Sender);
  void SearchPanelMatchCaseClick(TObject* Sender);
  // Repaints the border (through the non-client paint).
  void PaintGridBorder();
  // The border on the window's device context (looks glSoft and glVDX to
  // glCustom, no custom style, not flat unless glCustom).
  void PaintGridBorder(HDC DC);
  // The grid draws a border of its own (by look, style, border style and
  // colour).
  bool DrawsGridBorder();
  void ClearRows(int RowIndex, int RCount);
  void StretchColumn(int ACol, int NewWidth) {}
  void HideInplaceEditNow() {}
  bool IsSelected(int ACol, int ARow);
  bool QueryPasswordCell(int ACol, int ARow);

  int WheelScrollLines() const { return FWheelScrollLines; }
  UINT WheelMessage() const { return FWheelMessage; }
  void FreeScrollControls() {}
  bool IsDesignTime() const { return FDesignTime; }
  bool IsLoadedFlag() const { return FLoaded; }
  double DPIScale() const { return FDPIScale; }

  // =========================================================================
  // Hidden columns (grid/dataops/KitGridHiddenCols.cpp). Columns are real
  // indexes; a hidden column keeps its cells at its real position.

  void HideColumn(int ColIndex) { HideColumns(ColIndex, ColIndex); }
  void HideColumns(int FromCol, int ToCol);
  void UnHideColumn(int ColIndex) { UnHideColumns(ColIndex, ColIndex); }
  void UnHideColumns(int FromCol, int ToCol);
  void UnHideColumnsAll();
  int RealCol() { return RealColIndex(Col()); }

  // =========================================================================
  // Clearing, inserting and removing rows and columns
  // (grid/dataops/KitGridRowsCols.cpp)

  void Clear();
  void ClearAll();
  void ClearCols(int ColIndex, int CCount);
  void ClearNormalRows(int RowIndex, int RCount);
  void ClearNormalCols(int ColIndex, int CCount);
  void ClearNormalCells();
  void ClearSelection();
  void AddRow();
  void AddColumn() { InsertCols(ColCount(), 1); }
  // Removes display rows through the row removal: with UpdateCellControls
  // (a removal) the per-row lists, hidden-row records and cell controls
  // follow and records left in the block are freed; without it the block's
  // records are handed over by the caller and only the references go.
  void DeleteRowsEx(int RowIndex, int RCount, bool UpdateCellControls);
  void RemoveRowList(TIntList* RowList);
  void RemoveDuplicates(int ACol, bool DoCase);
  void RemoveCheckedRows(int CheckBoxColumn, bool RemoveChecked);

  // =========================================================================
  // Delimited text (grid/io/KitGridCsv.cpp) and workbooks
  // (grid/io/KitGridExcel.cpp)

  // The save range every exporter uses.
  int SaveStartCol() const;
  int SaveEndCol() const;
  int SaveColCount() const;
  int SaveStartRow() const;
  int SaveEndRow() const;
  int SaveRowCount() const;

  // Unicode: UTF-8 with its byte-order mark, else US-ASCII ("?" for what it
  // cannot hold).
  void SaveToCSV(const QString& FileName, bool Unicode);
  void SaveToCSV(const QString& FileName, const TGridRect& ARect, bool Unicode);
  void SaveToCSV(const QString& FileName, TEncoding* AEncoding);
  void SaveToCSV(const QString& FileName, const TGridRect& ARect, TEncoding* AEncoding);
  // New lines go after the file's bytes, in the encoding its byte-order mark
  // names (else the one asked for); what the file held is never re-encoded.
  void AppendToCSV(const QString& FileName, bool Unicode);
  void AppendToCSV(const QString& FileName, TEncoding* AEncoding);
  // MaxRows <= 0: every line; IgnoreRows: lines skipped at the start when
  // 0 < IgnoreRows < line count.
  void LoadFromCSV(const QString& FileName, int MaxRows = -1, int IgnoreRows = -1);
  void LoadFromCSV(const QString& FileName, TEncoding* AEncoding, int MaxRows = -1, int IgnoreRows = -1);
  void InsertFromCSV(const QString& FileName, int MaxRows = -1, int IgnoreRows = -1);
  void InsertFromCSV(const QString& FileName, TEncoding* AEncoding, int MaxRows = -1, int IgnoreRows = -1);
  // From the stream's position to its end; a byte-order mark decides the
  // encoding, else AEncoding (else the ANSI code page).
  void LoadFromCSVStream(TStream* AStream, int MaxRows = -1, int IgnoreRows = -1);
  void LoadFromCSVStream(TStream* AStream, TEncoding* AEncoding, int MaxRows = -1, int IgnoreRows = -1);
  // The delimiter a load would take for these first two lines (U+0000:
  // none found).
  static QChar DetectDelimiter(const QString& Line1, const QString& Line2);

  // Workbooks through the spreadsheet automation layer (platform/office).
  void SaveToXLS(const QString& Filename, bool CreateNewSheet = true);
  void SaveToXLSSheet(const QString& Filename, const QString& SheetName);
  void LoadFromXLS(const QString& Filename);
  void LoadFromXLSSheet(const QString& Filename, const QString& SheetName);
  // The caller owns the list.
  TStringList* GetXLSSheets(const QString& FileName);

  TGridProgressEvent OnFileProgress;

  // =========================================================================
  // Sorting, swapping and auto-numbering (grid/dataops/KitGridSort.cpp,
  // grid/dataops/KitGridSwap.cpp). Sort columns are real columns. A sort
  // exchanges rows in place (SortSwapRows), so texts, cell records, heights
  // and the per-row flags travel with their rows; it is not stable.

  // The kind of a column judged from its first two normal rows.
  enum TColumnType { ctAlpha, ctNumeric, ctFloat, ctDate, ctTime, ctBoolean };

  // SortSettings.Column and Direction, QSort, then the cell controls.
  void Sort(int Column, TSortDirection Direction);
  // With more than one row: SortSettings.Column := Col, QSort.
  void SortByColumn(int Col);
  // Sorts rows Left..Right by one column / by SortIndexes, nothing else
  // (no footer, current row or column-0 handling).
  void QuickSort(int Col, int Left, int Right);
  void QuickSortIndexed(int Left, int Right);
  // One exchange step by the direction of the last sort pass: true when the
  // rows were exchanged.
  bool SortLine(int Col, int ARow1, int ARow2);
  TColumnType ColumnType(int ACol);
  // The cross-reference of original row positions reset to 0..RowCount-1.
  void InitSortXRef();
  // -1, 0 or 1 for the cells of (real) column ACol in two rows, in the
  // sort's compare style; with IgnoreBlanks the blank end is fixed for
  // Direction.
  int CompareCells(int ACol, int Row1, int Row2, TSortDirection Direction);
  // The single-column order: ACol, then with SortSettings.Full the columns
  // to its right.
  int CompareRows(int ACol, int Row1, int Row2);
  // The order of SortIndexes from entry Index on (directions applied).
  int CompareRowsIndexed(int Index, int Row1, int Row2);

  void SwapColumns(int Index, int Index2);
  void SwapRows(int Index, int Index2);
  void AutoNumberCol(int ACol);
  void AutoNumberRow(int ARow);
  TSortDirection AutoNumberDirection() const { return FAutoNumberDirection; }
  void SetAutoNumberDirection(TSortDirection Value) { FAutoNumberDirection = Value; }
  int AutoNumberOffset() const { return FAutoNumberOffset; }
  void SetAutoNumberOffset(int Value) { FAutoNumberOffset = Value; }
  int AutoNumberStart() const { return FAutoNumberStart; }
  void SetAutoNumberStart(int Value) { FAutoNumberStart = Value; }

  // Work counters of every sort (never reset by the grid); 64-bit so that
  // long-running programs cannot overflow them.
  int64_t Compares() const { return FCompares; }
  int64_t Swaps() const { return FSwaps; }
  void ResetSortCounters() { FCompares = FSwaps = 0; }
  // +1 ascending, -1 descending: the direction of the last sort pass.
  int SortDir() const { return FSortDir; }
  // The row the sort follows while it exchanges rows.
  int SortRow() const { return FSortRow; }
  void SetSortRow(int Value) { FSortRow = Value; }

  TCustomCompareEvent OnCustomCompare;
  TRawCompareEvent OnRawCompare;

  // =========================================================================
  // Virtual operations, in slot order

  virtual bool SpareHook1() { return false; }
  virtual void SetDefaultRowHeight(int Value);
  virtual void DoCalcFooter(int ACol);
  virtual void ClickSort(int ACol);
  virtual void ClickCell(int ARow, int ACol);
  virtual void SpareHook2() {}
  virtual bool CanForceSelect(int ACol, int ARow) { return true; }
  virtual void SetEditorCellText(int ACol, int ARow, const QString& Value) { SetCellEx(ACol, ARow, Value); }
  virtual void SpareHook3() {}
  virtual void PasteCellValue(int ACol, int ARow, const QString& Value);
  virtual TObject* SpareHook4() { return nullptr; }
  virtual QString GetCurrentCell();
  virtual void SetCurrentCell(const QString& AValue);
  virtual QString GetCurrentCellValue();
  virtual QString GetGridCellText(int c, int r) { return GetGridCell(c, r); }
  virtual void GetCurrentEditText(const QString& Value);
  virtual void RestoreCellCache() {}
  virtual bool SkipScrollIntoView() { return false; }
  virtual int GetSearchPanelHeight();
  virtual void ColumnSize(int ACol, bool& Allow);
  virtual void HoverButtonClick(int Index, TObject* Item) {}
  virtual void HideButtonForm();
  // Cell check boxes and radio buttons (grid/model/KitGridCheck.cpp).
  virtual bool ToggleCellCheckBox(int ACol, int ARow, bool CheckEditable);
  virtual bool ToggleCellRadio(int ACol, int ARow, bool CheckEditable);
  virtual QString GetFormattedCell(int ACol, int ARow);
  virtual void GetFloatFormat(int ACol, int ARow, QString& Fmt);
  virtual TCellType GetCellType(int ACol, int ARow);
  virtual bool GetCellEmpty(int ACol, int ARow);
  virtual TCellGraphic* GetCellGraphic(int ACol, int ARow);
  virtual TPoint GetCellGraphicSize(int ACol, int ARow) { return GetCellTextExtent(ACol, ARow, 0); }
  virtual TPoint GetCellTextExtent(int ACol, int ARow, int AOffset);
  virtual TPoint CalcCellTextExtent(TCanvas* Canvas, int ACol, int ARow, int AOffset, double Scale);
  virtual TPoint CalcPrintCellTextExtent(int ACol, int ARow, int AWidth, int AHeight, double Scale);
  // Fires OnProgressColor with the colours the painter is about to use.
  virtual void GetProgressColor(int ACol, int ARow, TColor& ColorFG, TColor& ColorBK, TColor& TextColorFG,
                                TColor& TextColorBK);
  virtual void AssignCellFont(TFont* AFont, bool Fixed, bool Scale);
  virtual void ClipboardPasteDone(const TGridRect& CellRect);
  virtual void PrintGetPageNum(int PageNr, QString& Value) {}
  virtual void GetEditorProp(int ACol, int ARow, TObject* AEditLink) {}
  virtual void CheckBoxClick(int ACol, int ARow, bool State);
  virtual void FixedEdit(int ACol, int ARow, TGridFixedCellEditor& AEditor, TStrings* Values);
  virtual bool IsSelectionVisible();
  virtual void SelectionChanged(int ALeft, int ATop, int ARight, int ABottom);
  virtual void EditCellTextHook() {}
  virtual bool BeforeEdit(int ACol, int ARow);
  // Automatic row insertion: a plain insertion without nodes, else a
  // normal row or a child row of the node that owns the row.
  virtual void InsertRowWithNodes(int ARow);
  // Removes the row; the only data row of a grid without FixedRowAlways is
  // emptied instead. Then OnAutoDeleteRow.
  virtual void AutoDeleteRow(int ARow);
  virtual void FilterDone();
  virtual void FilterShow(int ACol, bool& Allow);
  virtual void FilterClose(int ACol);
  virtual void BeforeFilter();
  virtual TFooterPanel* CreateFooterPanel();
  virtual void FloatingFooterChanged() {}
  virtual void UpdateColumnSize(int ACol, int& AWidth) {}
  virtual void UpdateAutoColumnSize(int ACol, int& AWidth) {
    if (OnUpdateColumnSize) OnUpdateColumnSize(this, ACol, AWidth);
  }
  virtual void BeforeShowColumnHeaders() {}
  virtual void EllipsClick(int ACol, int ARow, QString& S) {}
  virtual bool MatchFilterRow(int ARow) { return true; }
  virtual void PasteStarted() {}
  virtual void PasteFinished() {}
  // Marks the rows of R modified (ShowModified.Enabled); Source is the copied
  // range's top-left cell when the data came from this grid, else (-1, -1).
  virtual void SetPasteModified(const TPoint& Source, const TGridRect& R, TClipOperation Op);
  virtual QString GetCellValue(int ACol, int ARow) { return GetCellEx(ACol, ARow); }
  virtual void LoadCell(int ACol, int ARow, QString Value);
  virtual void RecalcFooterColumn(int ACol) { CalcFooter(ACol); }
  virtual void StoreOldCell() {}
  // Resets the wheel state and takes the scroll-line count of the system.
  virtual int InitMouseWheel(bool Init);
  virtual void CanEditCell(int ACol, int ARow, bool& CanEdit);
  virtual void CanSort(int ACol, bool& DoSort);
  virtual void SearchFooterAction(const QString& Value, int ACol, int ARow, TSearchAction Action);
  virtual QString SearchFooterSearch(const QString& Value);
  virtual void SearchFooterSearchEnd(bool& ContinueFromStart);
  virtual void ButtonClick(int ACol, int ARow);
  virtual void ExpandClick(int ACol, int ARow, bool Expanded);
  virtual void ComboCloseUp(int ARow, int ACol);
  virtual void ComboDropDown(int ARow, int ACol);
  virtual void GetCellCursor(int ACol, int ARow, int X, int Y);
  virtual void CellsChanged(const TRect& R);
  virtual void RecalcAllFooters() { CalcFooter(-1); }
  virtual void GridHint(int ACol, int ARow, QString& WideHint, QString& Hint);
  virtual void GetCellColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont);
  virtual void GetCellPrintColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont);
  virtual void GetCellBorder(int ACol, int ARow, TPen* APen, TCellBorders& Borders);
  virtual void GetCellPrintBorder(int ACol, int ARow, TPen* APen, TCellBorders& Borders);
  virtual void GetAlignment(int ACol, int ARow, TAlignment& HAlign, TVAlignment& VAlign);
  virtual void GetFormat(int ACol, TSortStyle& AStyle, QString& APrefix, QString& ASuffix);
  virtual void GetEditorType(int ACol, int ARow, TEditorType& AEditor);
  virtual void GetCellEditorType(int ACol, int ARow, TEditorType& AEditor);
  virtual bool HasNoEditor(int ACol, int ARow, TEditorType& AEditor);
  virtual void IsFixedCell(int ACol, int ARow, bool& IsFixed);
  virtual void IsCellEditable(int ACol, int ARow, bool& CanEdit);
  virtual void IsPasswordCell(int ACol, int ARow, bool& IsPassword);
  virtual void GetWordWrap(int ACol, int ARow, bool& WordWrap);
  virtual bool HasComboBox(int ACol, int ARow, TEditorType AEditor);
  virtual bool HasEditBtn(int ACol, int ARow, TEditorType AEditor);
  virtual bool HasSpinEdit(int ACol, int ARow, TEditorType AEditor);
  virtual bool HasFilterEdit(int ACol, int ARow);
  virtual void FilterEditUpdate(int ACol, const QString& Condition, TFilterType FilterType);
  virtual void GetCheckTrue(int ACol, int ARow, QString& Value);
  virtual void GetCheckFalse(int ACol, int ARow, QString& Value);
  // The filter value list of a real column (FilterList); true when it holds
  // entries. StopAtFirst: stop at the first entry.
  virtual bool BuildFilterList(int ACol, bool StopAtFirst, bool IncludeHidden);
  virtual void GetUsedCells(int& ACols, int& ARows) {
    ACols = ColCount();
    ARows = RowCount();
  }
  virtual void RemoveRowRange(int RowIndex, int RCount);
  virtual QString GetFilterCheckedText() { return FCheckTrue; }
  virtual QString GetFilterUncheckedText() { return FCheckFalse; }
  virtual void CanAddRow(bool& CanAdd);
  virtual void CanAddCol(bool& CanAdd);
  virtual void CanInsertRow(int ARow, bool& CanInsert);
  virtual void SpareHook5(bool& Flag) { Flag = true; }
  virtual void AppendRow() { SetRowCount(RowCount() + 1); }
  virtual void ExpandSelectionToMerged();
  virtual void SpareHook6() {}
  virtual void EditorFocusLost() {}
  virtual void SpareHook7() {}
  virtual void SpareHook8(TObject* Sender) {}
  virtual void GetDesignMode(TObject* Sender, bool& IsDesigning);
  virtual void InvalidateGrid(TObject* Sender) { Invalidate(); }
  virtual void DisableEditing();
  virtual void EditorKeyDown(Word& Key, TShiftState Shift) {}
  virtual void EditorWMKeyDown(Word& Key, TShiftState Shift) {}
  virtual void SpareHook9(TObject* Sender) {}
  virtual void GotoFirstRow() { SetRowEx(FixedRows()); }
  virtual bool GetAllowFMTClipboard();
  virtual void FilterListSelect(TObject* Sender) {}
  virtual void FocusGrid(TObject* Sender);
  virtual void FilterCheckListClick(TObject* Sender) {}
  virtual void PaintDesignInfo() {}
  virtual void QuickConfigClick(TObject* Sender) {}
  virtual void QuickConfigEditingChanged(TObject* Sender) {}
  virtual void CheckBoxChange(int ACol, int ARow, bool State);
  virtual bool RatingChange(int ACol, int ARow, double& NewRate);
  // A colour or an image was picked in the grid's picker editor (Sender):
  // OnColorSelect or OnImageSelect for the current column and real row.
  virtual void ColorSelect(TObject* Sender);
  virtual void ImageSelect(TObject* Sender);
  virtual void CellChanging(int OldRow, int OldCol, int NewRow, int NewCol, bool& Allow) {}
  virtual void ScrollCell(int ACol, int ARow) {}
  virtual void HoverButtonsShow(int X, int Y, bool& Allow);
  virtual bool CanShowFixedDropDown(int ACol);
  virtual void StartBlockFocus() {}
  virtual void EndBlockFocus() {}
  // Fires OnIntelliZoom (the switch itself is IntelliZoomEnabled).
  virtual void IntelliZoom();
  virtual TCustomImageList* GetGridImages() { return FGridImages; }
  virtual void ComponentStyleChanged() {}
  // (BeginZoom and EndZoom are declared with the zoom above.)
  virtual void ExportNotification(TGridExportState AState, int ARow) {}
  virtual void ImportNotification(TGridImportState AState, int ARow) {}
  virtual void CellControlsUpdate(bool RebuildList) {}
  virtual void AssignCells(TPersistent* Source);
  virtual int GetVersionNr() { return 0x08060E01; }
  virtual QString GetVersionString();
  virtual bool ValidateCell(const QString& NewValue) { return true; }
  virtual bool ValidateCellWide(const QString& NewValue) { return true; }
  virtual void RemoveRowsEx(int RowIndex, int RCount);
  virtual void RemoveRows(int RowIndex, int RCount);
  virtual void InsertRows(int RowIndex, int RCount, bool UpdateCellControls = true);
  virtual void RemoveCols(int ColIndex, int CCount);
  virtual void InsertCols(int ColIndex, int CCount);
  virtual void HideHoverButtons() {}
  virtual void SubGroup(int ColIndex) {}
  virtual void SubUnGroup(int ColIndex) {}
  virtual void Group(int ColIndex) {}
  virtual void UnGroup() {}
  virtual void SetRowEx(int Value);
  virtual void NextEdit() {}
  virtual void SortSwapRows(int ARow1, int ARow2);
  virtual void ClearRect(int ACol1, int ARow1, int ACol2, int ARow2);
  virtual void ClearRect(const TGridRect& ARect) { ClearRect(ARect.Left, ARect.Top, ARect.Right, ARect.Bottom); }
  virtual void TrimRect(int ACol1, int ARow1, int ACol2, int ARow2) {}
  // The column positions store (grid/io/KitGridColumnStore.cpp).
  virtual void SaveColPositions();
  virtual void LoadColPositions();
  // The colour table of a style (without the component style's side
  // steps); SetStyle passes no application colour.
  virtual void SetStyle(TVDXStyle AStyle) { SetStyleAndAppColor(AStyle, clNone); }
  virtual void SetStyleAndAppColor(TVDXStyle AStyle, TColor AppColor);
  // (Zoom and ZoomReset are declared with the zoom above.)
  virtual void HideInplaceEdit() {}
  // Sorting (grid/dataops/KitGridSort.cpp).
  virtual void QSort();
  virtual void QSortIndexed();
  virtual void QSortGroup();
  virtual void QSortGroupIndexed();
  virtual void QUnSort();
  // (CalcFooter is answered by DoCalcFooter above.)
  virtual QString SaveCell(int ACol, int ARow);
  virtual QString ExportCell(int ACol, int ARow) { return GetCellEx(ACol, ARow); }

  // Editor notification helpers for the current cell.
  void DoButtonClick();

  // --- overrides of the base grid's virtual operations
  double GetDPIScale() override { return FDPIScale; }
  bool IsFixed(int ACol, int ARow) override;
  int GetNodeIndent(int ARow) override;
  bool HasNodes() override { return FNumNodes > 0; }
  bool IsNode(int ARow) override;
  bool IsSummary(int ARow) override { return false; }
  void HiddenLastRowChanged() override { UpdateFooter(); }
  bool HasCellCheckBox(int ACol, int ARow) override;
  // Sets the box to the state opposite to Value's (the undo path).
  void SetCheckBoxText(int ACol, int ARow, const QString& Value) override;
  // Undo and redo of a toggle: SetCheckBoxText, then, for a row of a check
  // group, its parent node's box follows the group's rows again.
  void UndoSetCheckBoxText(int ACol, int ARow, const QString& Value) override;
  void GetCellAppearance(int ACol, int ARow, TFont* AFont, TBrush* ABrush, TColor& AColorTo, TColor& AMirrorColor,
                         TColor& AMirrorColorTo, TAlignment& HA, TVAlignment& VA, bool& WW,
                         TCellGradientDirection& GD) override;
  TAlignment GetDefaultAlignment() override { return FDefaultAlignment; }
  bool HasGetCellBorder() override { return static_cast<bool>(OnGetCellBorder); }
  bool GetUseKWFStyles() override { return FUseKWFStyles; }
  void GetVisualProperties(int ACol, int ARow, TGridDrawState& AState, bool Print, bool Select, bool Remap,
                           TBrush* ABrush, TColor& AColorTo, TColor& AMirrorColor, TColor& AMirrorColorTo,
                           TFont* AFont, TAlignment& HA, TVAlignment& VA, bool& WW,
                           TCellGradientDirection& GD) override;
  int TotalColCount() const override { return ColCount() + NumHiddenColumns(); }
  int RealColIndex(int ACol) override { return DisplToRealCol(ACol); }
  int DisplColIndex(int ACol) override { return RealToDisplCol(ACol); }

  // =========================================================================
  // Owned objects and settings

  TFooterPanel* FooterPanel() const { return FFooterPanel; }
  TSearchPanel* SearchPanel() const { return FSearchPanel; }
  TAutoColor* AutoColor() const { return FAutoColor.get(); }
  void SetAutoColor(TAutoColor* Value);
  TFocusHelper* FocusHelper() const { return FFocusHelper.get(); }
  void SetFocusHelper(TFocusHelper* Value) { FFocusHelper->Assign(Value); }
  TSearchFooter* SearchFooter() const { return FSearchFooter.get(); }
  TFloatingFooter* FloatingFooter() const { return FFloatingFooter.get(); }
  TPrintSettings* PrintSettings() const { return FPrintSettings.get(); }
  THTMLSettings* HTMLSettings() const { return FHTMLSettings.get(); }
  TSortSettings* SortSettings() const { return FSortSettings.get(); }
  void SetSortSettings(TSortSettings* Value) { FSortSettings->Assign(Value); }
  TDragDropSettings* DragDropSettings() const { return FDragDropSettings.get(); }
  TDragScrollOptions* DragScrollOptions() const { return FDragScrollOptions.get(); }
  void SetDragScrollOptions(TDragScrollOptions* Value) { FDragScrollOptions->Assign(Value); }
  TControlLook* ControlLook() const { return FControlLook.get(); }
  TNavigation* Navigation() const { return FNavigation.get(); }
  TColumnSize* ColumnSize() const { return FColumnSize.get(); }
  TCellNode* CellNode() const { return FCellNode.get(); }
  TBands* Bands() const { return FBands.get(); }
  TSizeWhileTyping* SizeWhileTyping() const { return FSizeWhileTyping.get(); }
  TMouseActions* MouseActions() const { return FMouseActions.get(); }
  TGrouping* Grouping() const { return FGrouping.get(); }
  THTMLPictureCache* ImageCache() const { return FImageCache.get(); }
  TIntList* OrigColSizes() const { return FOrigColSizes.get(); }
  TIntList* SuppressColSizes() const { return FSuppressColSizes.get(); }
  TIntList* SuppressRowSizes() const { return FSuppressRowSizes.get(); }
  TIntList* RowHeightCache() const { return FRowHeightCache.get(); }
  TSortIndexList* SortIndexes() const { return FSortIndexes.get(); }
  TIntList* MergedColumns() const { return FMergedColumns.get(); }
  TIntList* ModifiedRows() const { return FModifiedRows.get(); }
  TIntList* EnabledRows() const { return FEnabledRows.get(); }
  TIntList* SelectedCells() const { return FSelectedCells.get(); }
  TBackGround* BackGround() const { return FBackGround.get(); }
  TGridProgressAppearance* ProgressAppearance() const { return FProgressAppearance.get(); }
  TSyncGrid* SyncGrid() const { return FSyncGrid.get(); }
  void SetSyncGrid(TSyncGrid* Value);
  TCollection* HiddenRowStore() const { return FHiddenRowStore.get(); }
  TFilter* Filter() const { return FFilter.get(); }
  TBalloonSettings* Balloon() const { return FBalloon.get(); }
  TShowModified* ShowModified() const { return FShowModified.get(); }
  TList* NotifierList() const { return FNotifierList.get(); }
  TIntList* ColumnOrder() const { return FColumnOrder.get(); }
  TKitHintInfo* OfficeHint() const { return FOfficeHint.get(); }
  void SetOfficeHint(TKitHintInfo* Value);
  TIntList* IgnoreColumns() const { return FIgnoreColumns.get(); }
  TFilterDropDown* FilterDropDown() const { return FFilterDropDown.get(); }
  TListBox* DropList() const { return FDropList; }
  TListBox* DropCheckList() const { return FDropCheckList; }
  TStringList* FilterList() const { return FFilterList.get(); }
  TFilterEdit* FilterEdit() const { return FFilterEdit.get(); }
  void SetFilterEdit(TFilterEdit* Value) { FFilterEdit->Assign(Value); }
  TImageList* FilterImageList() const { return FFilterImageList; }
  THoverButtons* HoverButtons() const { return FHoverButtons.get(); }
  TStringList* SortList() const { return FSortList.get(); }
  TList* RowSelectList() const { return FRowSelect.get(); }
  TList* ColSelectList() const { return FColSelect.get(); }
  TIntList* SortedRowMap() const { return FSortRowXRef.get(); }
  TIntList* UnSortedRowMap() const { return FUnSortRowXRef.get(); }
  // Run-time only objects (nullptr when constructed in a designer).
  TGridFocusWindow* FocusWindow() const { return FFocusWindow; }
  // Keeps the focus-glow window with the current cell when a window of the
  // application moves or resizes; hides it when the cell is out of view.
  void MoveFocusWindow();
  // The glow around ARect (client coordinates): a window 9 pixels wider and
  // higher, 4 up and left of the cell, showing a blurred light-blue ring.
  void ShowFocusWindow(const TRect& ARect);
  // Hides the glow; its window no longer follows moves.
  void HideFocusWindow();
  TArrowWindow* ArrowWindow(TArrowDirection Dir) const { return FArrows[Dir]; }
  TScrollBar* CellScrollBar() const { return FCellScrollBar; }
  TScrollBar* PaintScrollBar() const { return FPaintScrollBar; }
  TForm* HoverButtonForm() const { return FHoverButtonForm; }

  // =========================================================================
  // Settings of other parts of the grid, fixed by the constructor

  TGridLook Look() const { return FLook; }
  void SetLook(TGridLook Value);
  TVDXStyle UIStyle() const { return FUIStyle; }
  void SetUIStyle(TVDXStyle Value) { SetComponentStyle(Value); }
  TColor BorderColor() const override { return FBorderColor; }
  void SetBorderColor(TColor Value);
  TOfficeTheme PrevOfficeTheme() const { return FPrevOfficeTheme; }
  TColor HintColor() const { return FHintColor; }
  void SetHintColor(TColor Value) { FHintColor = Value; }
  TColor HighlightColor() const { return FHighlightColor; }
  void SetHighlightColor(TColor Value) { FHighlightColor = Value; }
  TColor HighlightTextColor() const { return FHighlightTextColor; }
  void SetHighlightTextColor(TColor Value) { FHighlightTextColor = Value; }
  THintShowLargeTextPos HintShowLargeTextPos() const { return FHintShowLargeTextPos; }
  void SetHintShowLargeTextPos(THintShowLargeTextPos Value) { FHintShowLargeTextPos = Value; }
  bool HintShowCells() const { return FHintShowCells; }
  void SetHintShowCells(bool Value) { FHintShowCells = Value; }
  bool HintShowLargeText() const { return FHintShowLargeText; }
  void SetHintShowLargeText(bool Value) { FHintShowLargeText = Value; }
  bool UseInternalHintClass() const { return FUseInternalHintClass; }
  void SetUseInternalHintClass(bool Value) { FUseInternalHintClass = Value; }
  bool HTMLKeepLineBreak() const { return FHTMLKeepLineBreak; }
  void SetHTMLKeepLineBreak(bool Value) { FHTMLKeepLineBreak = Value; }
  bool HTMLHint() const { return FHTMLHint; }
  void SetHTMLHint(bool Value) { FHTMLHint = Value; }
  TInvalidEntryIcon InvalidEntryIcon() const { return FInvalidEntryIcon; }
  void SetInvalidEntryIcon(TInvalidEntryIcon Value) { FInvalidEntryIcon = Value; }
  const QString& InvalidEntryTitle() const { return FInvalidEntryTitle; }
  void SetInvalidEntryTitle(const QString& Value) { FInvalidEntryTitle = Value; }
  const QString& InvalidEntryText() const { return FInvalidEntryText; }
  void SetInvalidEntryText(const QString& Value) { FInvalidEntryText = Value; }
  bool UseFixedFont() const { return FUseFixedFont; }
  void SetUseFixedFont(bool Value) { FUseFixedFont = Value; }
  bool UseDisabledFont() const { return FUseDisabledFont; }
  void SetUseDisabledFont(bool Value) { FUseDisabledFont = Value; }
  TColor DisabledFontColor() const { return FDisabledFontColor; }
  void SetDisabledFontColor(TColor Value) { FDisabledFontColor = Value; }
  bool EnableHTML() const { return FEnableHTML; }
  void SetEnableHTML(bool Value) { FEnableHTML = Value; }
  TColor URLColor() const { return FURLColor; }
  void SetURLColor(TColor Value);
  bool URLUnderline() const { return FURLUnderline; }
  void SetURLUnderline(bool Value);
  bool URLShow() const { return FURLShow; }
  void SetURLShow(bool Value);
  bool URLShowInText() const { return FURLShowInText; }
  void SetURLShowInText(bool Value);
  bool URLFull() const { return FURLFull; }
  void SetURLFull(bool Value);
  TEditorType DefaultEditor() const { return FDefaultEditor; }
  void SetDefaultEditor(TEditorType Value) { FDefaultEditor = Value; }
  TPoint XYOffset() const { return FXYOffset; }
  void SetXYOffset(TPoint Value) { FXYOffset = Value; }
  TPoint XYRTFOffset() const { return FXYRTFOffset; }
  void SetXYRTFOffset(TPoint Value) { FXYRTFOffset = Value; }
  bool XYOffsetTopLeftOnly() const { return FXYOffsetTopLeftOnly; }
  void SetXYOffsetTopLeftOnly(bool Value) { FXYOffsetTopLeftOnly = Value; }
  QChar PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(QChar Value) { FPasswordChar = Value; }
  const QString& FloatFormat() const { return FFloatFormat; }
  void SetFloatFormat(const QString& Value) { FFloatFormat = Value; }
  const QString& CheckTrue() const { return FCheckTrue; }
  void SetCheckTrue(const QString& Value) { FCheckTrue = Value; }
  const QString& CheckFalse() const { return FCheckFalse; }
  void SetCheckFalse(const QString& Value) { FCheckFalse = Value; }
  const QString& XMLEncoding() const { return FXMLEncoding; }
  void SetXMLEncoding(const QString& Value) { FXMLEncoding = Value; }
  TEncoding* Encoding() const { return FEncoding; }
  void SetEncoding(TEncoding* Value) { FEncoding = Value; }
  QChar Delimiter() const { return FDelimiter; }
  void SetDelimiter(QChar Value) { FDelimiter = Value; }
  bool JavaCSV() const { return FJavaCSV; }
  void SetJavaCSV(bool Value) { FJavaCSV = Value; }
  bool QuoteEmptyCells() const { return FQuoteEmptyCells; }
  void SetQuoteEmptyCells(bool Value) { FQuoteEmptyCells = Value; }
  bool QuoteQuoteCells() const { return FQuoteQuoteCells; }
  void SetQuoteQuoteCells(bool Value) { FQuoteQuoteCells = Value; }
  bool AlwaysQuotes() const { return FAlwaysQuotes; }
  void SetAlwaysQuotes(bool Value) { FAlwaysQuotes = Value; }
  bool CSVMultilineCellImport() const { return FCSVMultilineCellImport; }
  void SetCSVMultilineCellImport(bool Value) { FCSVMultilineCellImport = Value; }
  bool CSVTrimSpaces() const { return FCSVTrimSpaces; }
  void SetCSVTrimSpaces(bool Value) { FCSVTrimSpaces = Value; }
  bool ShowNullDates() const { return FShowNullDates; }
  void SetShowNullDates(bool Value) { FShowNullDates = Value; }
  bool SaveFixedCells() const { return FSaveFixedCells; }
  void SetSaveFixedCells(bool Value) { FSaveFixedCells = Value; }
  bool SaveFixedRows() const { return FSaveFixedRows; }
  void SetSaveFixedRows(bool Value) { FSaveFixedRows = Value; }
  bool SaveFixedCols() const { return FSaveFixedCols; }
  void SetSaveFixedCols(bool Value) { FSaveFixedCols = Value; }
  bool SaveHiddenCells() const { return FSaveHiddenCells; }
  void SetSaveHiddenCells(bool Value) { FSaveHiddenCells = Value; }
  bool SaveVirtCells() const { return FSaveVirtCells; }
  void SetSaveVirtCells(bool Value) { FSaveVirtCells = Value; }
  bool SaveMergedCells() const { return FSaveMergedCells; }
  void SetSaveMergedCells(bool Value) { FSaveMergedCells = Value; }
  bool SaveWithHTML() const { return FSaveWithHTML; }
  void SetSaveWithHTML(bool Value) { FSaveWithHTML = Value; }
  bool SaveWithRTF() const { return FSaveWithRTF; }
  void SetSaveWithRTF(bool Value) { FSaveWithRTF = Value; }
  bool LoadFirstRow() const { return FLoadFirstRow; }
  void SetLoadFirstRow(bool Value) { FLoadFirstRow = Value; }
  bool ClearTextOnly() const { return FClearTextOnly; }
  void SetClearTextOnly(bool Value) { FClearTextOnly = Value; }
  // The grid frees the user objects (Objects) of the cells it clears or
  // removes.
  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }
  bool ExcelClipboardFormat() const { return FExcelClipboardFormat; }
  void SetExcelClipboardFormat(bool Value) { FExcelClipboardFormat = Value; }
  bool PrinterDriverFix() const { return FPrinterDriverFix; }
  void SetPrinterDriverFix(bool Value) { FPrinterDriverFix = Value; }
  int PrintPageFrom() const { return FPrintPageFrom; }
  int PrintPageTo() const { return FPrintPageTo; }
  int PrintNrOfPages() const { return FPrintNrOfPages; }
  bool FilterNormalCellsOnly() const { return FFilterNormalCellsOnly; }
  void SetFilterNormalCellsOnly(bool Value) { FFilterNormalCellsOnly = Value; }
  bool AutoFilterUpdate() const { return FAutoFilterUpdate; }
  void SetAutoFilterUpdate(bool Value) { FAutoFilterUpdate = Value; }
  bool FilterActive() const { return FFilterActive; }
  TGridFilterType FilterType() const { return FFilterType; }
  void SetFilterType(TGridFilterType Value) { FFilterType = Value; }
  const QString& FilterDropDownClear() const { return FFilterDropDownClear; }
  void SetFilterDropDownClear(const QString& Value) { FFilterDropDownClear = Value; }
  TFilterDropDownColumns FilterDropDownColumns() const { return FFilterDropDownColumns; }
  void SetFilterDropDownColumns(TFilterDropDownColumns Value) { FFilterDropDownColumns = Value; }
  bool FilterDropDownMultiCol() const { return FFilterDropDownMultiCol; }
  void SetFilterDropDownMultiCol(bool Value) { FFilterDropDownMultiCol = Value; }
  bool FilterDropDownAuto() const { return FFilterDropDownAuto; }
  void SetFilterDropDownAuto(bool Value) { FFilterDropDownAuto = Value; }
  bool FilterDropDownCheck() const { return FFilterDropDownCheck; }
  void SetFilterDropDownCheck(bool Value) { FFilterDropDownCheck = Value; }
  bool FilterDropDownCheckUnCheckAll() const { return FFilterDropDownCheckUnCheckAll; }
  void SetFilterDropDownCheckUnCheckAll(bool Value) { FFilterDropDownCheckUnCheckAll = Value; }
  int FilterDropDownRow() const { return FFilterDropDownRow; }
  void SetFilterDropDownRow(int Value) { FFilterDropDownRow = Value; }
  bool FilterIncremental() const { return FFilterIncremental; }
  void SetFilterIncremental(bool Value) { FFilterIncremental = Value; }
  int FilterLevel() const { return FFilterLevel; }
  int FilterCol() const { return FFilterCol; }
  bool EnableWheel() const { return FEnableWheel; }
  void SetEnableWheel(bool Value) { FEnableWheel = Value; }
  bool IntelliZoomEnabled() const { return FIntelliZoom; }
  void SetIntelliZoomEnabled(bool Value) { FIntelliZoom = Value; }
  TIntelliPan IntelliPan() const { return FIntelliPan; }
  void SetIntelliPan(TIntelliPan Value) { FIntelliPan = Value; }
  bool EnhRowColMove() const { return FEnhRowColMove; }
  void SetEnhRowColMove(bool Value) { FEnhRowColMove = Value; }
  bool FitCellsInGrid() const { return FFitCellsInGrid; }
  void SetFitCellsInGrid(bool Value) { FFitCellsInGrid = Value; }
  bool SizeGrowOnly() const { return FSizeGrowOnly; }
  void SetSizeGrowOnly(bool Value) { FSizeGrowOnly = Value; }
  bool VirtualEdit() const { return FVirtualEdit; }
  void SetVirtualEdit(bool Value) { FVirtualEdit = Value; }
  int GroupColumn() const { return FGroupColumn; }
  bool EditingDisabled() const { return FEditingDisabled; }
  THoverFixedCells HoverFixedCells() const { return FHoverFixedCells; }
  void SetHoverFixedCells(THoverFixedCells Value) { FHoverFixedCells = Value; }
  TGridCoord HoverFixedCell() const { return FHoverFixedCell; }
  void SetHoverFixedCell(TGridCoord Value) { FHoverFixedCell = Value; }
  int ComboIndex() const { return FComboIndex; }
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  TScrollType ScrollType() const { return FScrollType; }
  void SetScrollType(TScrollType Value) { FScrollType = Value; }
  TColor ScrollColor() const { return FScrollColor; }
  void SetScrollColor(TColor Value) { FScrollColor = Value; }
  int ScrollWidth() const { return FScrollWidth; }
  void SetScrollWidth(int Value) { FScrollWidth = Value; }
  bool ScrollProportional() const { return FScrollProportional; }
  void SetScrollProportional(bool Value) { FScrollProportional = Value; }
  bool ScrollSynch() const { return FScrollSynch; }
  void SetScrollSynch(bool Value) { FScrollSynch = Value; }
  TScrollHintType ScrollHints() const { return FScrollHints; }
  void SetScrollHints(TScrollHintType Value) { FScrollHints = Value; }
  TScrollBarAlways ScrollBarAlways() const { return FScrollBarAlways; }
  void SetScrollBarAlways(TScrollBarAlways Value) { FScrollBarAlways = Value; }
  bool ShowColumnNumbersAtDesign() const { return FDesignColumnNumbers; }
  bool IsWinXP() const { return FIsWinXP; }
  bool IsWin7() const { return FIsWin7; }
  bool IsVista() const { return FIsVista; }
  bool IsComCtl6() const { return FIsComCtl6; }
  TCustomImageList* GridImages() const { return FGridImages; }
  void SetGridImages(TCustomImageList* Value);
  TPictureContainer* PictureContainer() const { return FPictureContainer; }
  void SetPictureContainer(TPictureContainer* Value);
  bool AutoHideSelection() const { return FAutoHideSelection; }
  void SetAutoHideSelection(bool Value) { FAutoHideSelection = Value; }
  bool AutoNumAlign() const { return FAutoNumAlign; }
  void SetAutoNumAlign(bool Value) { FAutoNumAlign = Value; }
  bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
  // Switching it on adapts to the Office theme at once.
  void SetAutoThemeAdapt(bool Value);
  bool EditWithTags() const { return FEditWithTags; }
  void SetEditWithTags(bool Value) { FEditWithTags = Value; }
  bool EnableBlink() const { return FEnableBlink; }
  void SetEnableBlink(bool Value) { FEnableBlink = Value; }
  bool EnhTextSize() const { return FEnhTextSize; }
  void SetEnhTextSize(bool Value) { FEnhTextSize = Value; }
  bool ExcelStyleDecimalSeparator() const { return FExcelStyleDecimalSeparator; }
  void SetExcelStyleDecimalSeparator(bool Value) { FExcelStyleDecimalSeparator = Value; }
  bool FixedAsButtons() const { return FFixedAsButtons; }
  void SetFixedAsButtons(bool Value) { FFixedAsButtons = Value; }
  bool Hovering() const { return FHovering; }
  void SetHovering(bool Value) { FHovering = Value; }
  bool IntegralHeight() const { return FIntegralHeight; }
  void SetIntegralHeight(bool Value);
  int LookupHistory() const { return FLookupHistory; }
  void SetLookupHistory(int Value) { FLookupHistory = Value; }
  bool Lookup() const { return FLookup; }
  void SetLookup(bool Value) { FLookup = Value; }
  bool LookupCaseSensitive() const { return FLookupCaseSensitive; }
  void SetLookupCaseSensitive(bool Value) { FLookupCaseSensitive = Value; }
  int MaxComboLength() const { return FMaxComboLength; }
  void SetMaxComboLength(int Value) { FMaxComboLength = Value; }
  bool Multilinecells() const { return FMultilinecells; }
  void SetMultilinecells(bool Value) { FMultilinecells = Value; }
  bool AnchorHint() const { return FAnchorHint; }
  void SetAnchorHint(bool Value) { FAnchorHint = Value; }
  int MinRowHeight() const { return FMinRowHeight; }
  void SetMinRowHeight(int Value) { FMinRowHeight = Value; }
  int MaxRowHeight() const { return FMaxRowHeight; }
  void SetMaxRowHeight(int Value) { FMaxRowHeight = Value; }
  int MinColWidth() const { return FMinColWidth; }
  void SetMinColWidth(int Value) { FMinColWidth = Value; }
  int MaxColWidth() const { return FMaxColWidth; }
  void SetMaxColWidth(int Value) { FMaxColWidth = Value; }
  bool NilObjects() const { return FNilObjects; }
  void SetNilObjects(bool Value) { FNilObjects = Value; }
  const std::vector<bool>& VisibleCol() const { return FVisibleCol; }
  const std::vector<int>& AllColWidthsArray() const { return FAllColWidths; }

  // =========================================================================
  // Events

  // --- the grid's own text format (grid/io/KitGridTextFile.cpp): the file
  // flavour with absolute coordinates, the stream flavour (UTF-16 LE)
  // relative to the saved area and embeddable in a larger stream.
  void SaveToFile(const QString& FileName, bool Unicode = true);
  void LoadFromFile(const QString& FileName);
  void SaveToStream(TStream* Stream);
  void LoadFromStream(TStream* Stream);
  // The cell as a number; 0 for an empty cell.
  double CellToReal(int ACol, int ARow);

  // --- the binary grid stream (grid/io/KitGridBinStream.cpp): a rectangle
  // of cells with texts, properties and graphics, loadable at any cell.
  void SaveRectToBinStream(const TRect& Rect, TStream* Stream, bool SaveHidden);
  void SaveToBinStream(TStream* Stream);
  void SaveToBinFile(const QString& FileName);
  void LoadAtPointFromBinStream(const TPoint& Point, TStream* Stream);
  // Reads a stream as LoadAtPointFromBinStream would, every record and value
  // checked, and keeps nothing: damaged data raises the same read error and
  // the grid stays as it is.
  void CheckBinStream(TStream* Stream);
  void LoadFromBinStream(TStream* Stream);
  void LoadFromBinFile(const QString& FileName);

  // --- the clipboard (grid/io/KitGridClipboard.cpp): TAB/line text, HTML,
  // rich text and the private grid-cell format, with the smart fill.
  void CopyToClipBoard();
  void CopyToClipboard() { CopyToClipBoard(); }
  void CopySelectionToClipboard();
  void CutToClipboard();
  void CutSelectionToClipboard();
  void PasteFromClipboard();
  void PasteSelectionFromClipboard();
  void CopyToClipBoardAsHTML();
  void CopyRectToClipboardAsHTML(const TGridRect& ARect);
  QString SelectionAsText();
  void SetSelectionAsText(const QString& Value);
  QString SelectionToText(const TGridRect& ARect, bool Disjunct);
  void CopyRangeToClipboard(const TGridRect& ARect, bool Disjunct);
  // Pastes the clipboard at a display cell: the cells read, and the pasted
  // block's column and row counts.
  int PasteFromClipboardAt(int ACol, int ARow, int& Cols, int& Rows);
  int PasteTextBlock(int ACol, int ARow, const QString& Text, int& Cols, int& Rows);
  // Whether the cell (real column) takes a value from the user.
  bool IsEditable(int ARealCol, int ARow);
  TPoint ClipTopLeft() const { return FClipTopLeft; }
  TClipOperation ClipLastOp() const { return FClipLastOp; }
  TClipboardBeforePasteCellEvent OnClipboardBeforePasteCell;
  TClipboardBeforePasteCellEvent OnClipboardBeforePasteWideCell;
  TClipboardAfterPasteCellEvent OnClipboardAfterPasteCell;
  TClipboardAfterPasteCellEvent OnClipboardAfterPasteWideCell;
  TClipboardPasteDoneEvent OnClipboardPasteDone;

  // --- drag and drop (grid/io/KitGridDragDrop.cpp) over the drag-and-drop
  // framework (foundation/ksgdd.h); switched by DragDropSettings.
  TGridDropTarget* GridDropTarget() const { return FGridDropTarget.get(); }
  bool OleDropTargetAssigned() const { return FOleDropTargetAssigned; }
  // Registers (or revokes) the grid's window as a drop target.
  void SetOleDropTargetActive(bool Value);
  void OleColumnDragStart(int ACol, int AIndex, TListBox* AList);
  // The drag out of this grid that the mouse handling starts from the cell
  // (ACol, ARow): fires OnOleDrag and OnOleDragStart, runs the drag and
  // applies a move to the source. Answers the drag's result.
  int StartOleDrag(int ACol, int ARow);
  TGridRect DropSelection() const { return FDropSelection; }
  // The insert markers' state (where the arrows are shown; hidden: -1).
  TPoint DropMarkerLeft() const { return FDropMarkerLeft; }
  TPoint DropMarkerDown() const { return FDropMarkerDown; }
  TPoint DropMarkerUp() const { return FDropMarkerUp; }
  void HideDropMarkers(bool Left, bool Down, bool Up);
  // Shows the arrow windows at the markers' places (the grid's arrows
  // ArrowWindow(arrLeft), (arrDown), (arrUp)) and hides those of hidden
  // markers.
  void ShowDropMarkers();
  TOleDropEvent OnOleDrop;
  TOleDropURLEvent OnOleDropURL;
  TOleDropFileEvent OnOleDropFile;
  TOleDropFilesEvent OnOleDropFiles;
  TOleDropColEvent OnOleDropCol;
  TOleDroppedEvent OnOleDropped;
  TOleDragOverEvent OnOleDragOver;
  TOleDragEvent OnOleDrag;
  TOleDragStartEvent OnOleDragStart;
  TOleDragStopEvent OnOleDragStop;
  // The data binder's operations (normal rows and columns).
  void DataBinderClear() override;
  int DataBinderRowCount() override { return RowCount() - FixedRows() - FixedFooters(); }
  void DataBinderSetColCount(int n) override { SetColCount(n + FixedCols() + FixedRightCols()); }
  void DataBinderSetHeader(int c, const QString& Value) override { SetCells(c + FixedCols(), 0, Value); }
  void DataBinderSetRowCount(int n) override { SetRowCount(n + FixedRows() + FixedFooters()); }
  void DataBinderSetCell(int c, int r, const QString& Value) override {
    SetCells(c + FixedCols(), r + FixedRows(), Value);
  }

  // --- column-aligned and fixed-width text (grid/io/KitGridAscii.cpp)
  void SaveToASCII(const QString& FileName, bool Unicode = true);
  void AppendToASCII(const QString& FileName, bool Unicode = true);
  // Positions holds field widths and is extended for the columns it lacks.
  void SaveToFixed(const QString& FileName, TIntList* Positions);
  // Positions holds 1-based field starts, sorted in place; n positions make
  // n - 1 fields. MaxRows -1 loads every line; the first line always loads.
  void LoadFromFixed(const QString& FileName, TIntList* Positions, bool DoTrim = true, int MaxRows = -1);
  // The length of the longest line of SaveCell text in the column.
  int GetMaxColTextLength(int ACol);
  // The aligned export's text.
  QString AsciiText();
  // The horizontal alignment a cell's text is exported with.
  TAlignment AsciiCellAlignment(int ACol, int ARow);

  // --- HTML export (grid/io/KitGridHtml.cpp); Dir is the folder, ending in
  // "/", under which the image folder lies.
  QString SaveRectToHTMLString(const TGridRect& ARect, const QString& Dir);
  QString SaveToHTMLString(const QString& Dir);
  void SaveToHTML(const QString& FileName, bool Show = false, bool Unicode = true);
  void AppendToHTML(const QString& FileName, bool Show = false, bool Unicode = true);

  // --- XML and JSON (grid/io/KitGridXml.cpp)
  void SaveToXML(const QString& FileName, const QString& ListDescr, const QString& RecordDescr,
                 TStrings* FieldDescr = nullptr, bool ExportEmptyCells = false);
  // The text SaveToXML writes (before encoding).
  QString XMLText(const QString& ListDescr, const QString& RecordDescr, TStrings* FieldDescr, bool ExportEmptyCells);
  void SaveToJSON(const QString& RecordDescr, TStrings* FieldDescr, QString& JSON);
  void SaveToJSON(const QString& FileName, const QString& RecordDescr, TStrings* FieldDescr);
  void LoadFromXML(const QString& FileName, bool LevelToRow = false, bool LoadFieldDescr = false);
  void LoadFromXMLBytes(const QByteArray& Bytes, bool LevelToRow = false, bool LoadFieldDescr = false);

  // --- database tables through ODBC (grid/io/KitGridAccess.cpp): field
  // names in the last fixed row, records from the first normal row
  void LoadFromMDBSQL(const QString& Filename, const QString& SQL);
  void LoadFromMDBTable(const QString& Filename, const QString& Table);

  // --- column widths kept in an INI file or the registry store, as
  // ColumnSize says (grid/io/KitGridColumnStore.cpp)
  void SaveColSizes();
  void LoadColSizes();
  // The column layout as "count#widths#order#visibility", and back; a
  // malformed string raises before anything is applied.
  QString ColumnStatesToString();
  void StringToColumnStates(const QString& Value);
  // Moves the columns so that display position i holds the column whose
  // unmoved index is Order[i] (a permutation); ColumnOrder becomes Order.
  void ApplyColumnOrder(const std::vector<int>& Order);

  // --- word-processor documents (grid/io/KitGridWord.cpp): the grid as a
  // table in a new document, the open one, or an existing file
  void SaveToDOC(const QString& Filename, bool CreateNewDocument = true);
  void AppendToDoc(const QString& Filename, const QString& Bookmark = QString());

  // --- settings files (grid/io/KitGridSettingsFiles.cpp): the visual
  // properties as key=value lines, the print settings in an INI section,
  // and the reaction to a scale change
  void SaveVisualProps(const QString& FileName);
  void LoadVisualProps(const QString& FileName);
  // The file's text (key=value lines), read whole and checked before any
  // property changes.
  void LoadVisualPropsText(const QString& Text);
  void SavePrintSettings(const QString& Key, const QString& Section);
  void LoadPrintSettings(const QString& Key, const QString& Section);
  TChangeScaleEvent OnChangeScale;

 protected:
  void ChangeScale(int M, int D, bool isDpiChange) override;
  void WriteDOC(const QString& Filename, const QString& Bookmark, bool Append, bool CreateNewDocument);

 public:
  TRowCountChangeEvent OnRowCountChange;
  TNotifyEvent OnResize;
  TFloatFormatEvent OnGetFloatFormat;
  TCanEditCellEvent OnCanEditCell;
  TCanSortEvent OnCanSort;
  TClickSortEvent OnClickSort;
  TClickCellEvent OnClickCell;
  TSearchFooterActionEvent OnSearchFooterAction;
  TSearchFooterSearchEvent OnSearchFooterSearch;
  TSearchFooterSearchEndEvent OnSearchFooterSearchEnd;
  TSearchEditChangeEvent OnSearchEditChange;
  TNotifyEvent OnSearchFooterClose;
  TNotifyEvent OnCreatedSearchFooter;
  TButtonClickEvent OnButtonClick;
  TExpandClickEvent OnExpandClick;
  TComboCloseUpDropDownEvent OnComboCloseUp;
  TComboCloseUpDropDownEvent OnComboDropDown;
  TCellCursorEvent OnGetCellCursor;
  TGridHintEvent OnGridHint;
  TGridWideHintEvent OnGridWideHint;
  TOfficeHintEvent OnOfficeHint;
  TGridColorEvent OnGetCellColor;
  TGridColorEvent OnGetCellPrintColor;
  TGridBorderEvent OnGetCellBorder;
  TGridBorderEvent OnGetCellPrintBorder;
  TGridAlignEvent OnGetAlignment;
  TGridFormatEvent OnGetFormat;
  TGetEditorTypeEvent OnGetEditorType;
  TIsFixedCellEvent OnIsFixedCell;
  TIsPasswordCellEvent OnIsPasswordCell;
  TWordWrapEvent OnGetWordWrap;
  THasComboEvent OnHasComboBox;
  THasEditBtnEvent OnHasEditBtn;
  THasSpinEditEvent OnHasSpinEdit;
  THasFilterEditEvent OnHasFilterEdit;
  TFilterEditUpdateEvent OnFilterEditUpdate;
  TGetCheckEvent OnGetCheckTrue;
  TGetCheckEvent OnGetCheckFalse;
  TDateTimeChangeEvent OnDateTimeChange;
  TEditChangeEvent OnEditChange;
  TComboCloseUpDropDownEvent OnDatePickerCloseUp;
  TComboCloseUpDropDownEvent OnDatePickerDropDown;
  TRowDisjunctSelectEvent OnRowDisjunctSelect;
  TRowDisjunctSelectedEvent OnRowDisjunctSelected;
  TColDisjunctSelectEvent OnColDisjunctSelect;
  TColDisjunctSelectedEvent OnColDisjunctSelected;
  TSelectionChangedEvent OnSelectionChanged;
  TUnitChangedEvent OnUnitChanged;
  TColumnSizeEvent OnColumnSize;
  TCheckBoxClickEvent OnCheckBoxClick;
  TFixedEditEvent OnFixedEdit;
  TBeforeEditEvent OnBeforeEdit;
  TNotifyEvent OnFilterDone;
  TFilterShowEvent OnFilterShow;
  TFilterCloseEvent OnFilterClose;
  TNotifyEvent OnBeforeFilter;
  TLoadCellEvent OnLoadCell;
  TSaveCellEvent OnSaveCell;
  TGetCellGradientEvent OnGetCellGradient;
  TCustomCellDrawEvent OnCustomCellBkgDraw;
  TCustomCellDrawEvent OnCustomCellDraw;
  TGetCellBorderPropEvent OnGetCellBorderProp;
  TNotifyEvent OnPainted;
  TUpdateColumnSizeEvent OnUpdateColumnSize;
  TCellsChangedEvent OnCellsChanged;
  TAutoDeleteRowEvent OnAutoDeleteRow;
  TCanAddRowEvent OnCanAddRow;
  TCanAddColEvent OnCanAddCol;
  TCanInsertRowEvent OnCanInsertRow;
  TCheckBoxChangeEvent OnCheckBoxChange;
  TRatingChangeEvent OnRatingChange;
  THoverButtonsShowEvent OnHoverButtonsShow;
  TNotifyEvent OnIntelliZoom;
  TNotifyEvent OnCreatedFloatingFooter;
  // The current row changed (SetRowEx), from OldRow to NewRow.
  TRowChangedEvent OnRowChanged;
  // The current (last) row is about to be deleted by a row removal (Allow
  // false keeps every row), or a sort moved the current row with its content
  // (the answer is not asked).
  TRowChangingEvent OnRowChanging;


  // =========================================================================
  // Painting, measuring and sizing

  TF_DECLARE_MESSAGES(TKitStringGrid)
  // The balloon's text and title as the tool tip shows them: tabs as blanks,
  // leading tabs and line breaks skipped, a text over 2,048 characters cut to
  // 2,045 plus "...", a title over 100 characters to 97 plus "...".
  static QString BalloonText(const QString& Text);
  static QString BalloonTitle(const QString& Title);
  // Starts the fixed-cell editor; a cell that is not fixed raises "Cannot
  // start fixed inplace editor in non-fixed cell".
  void ShowFixedInplaceEdit(int ACol, int ARow);
  // Remembers the cell's raw text, wide text and the modified flag for an
  // edit that may be undone.
  virtual void StoreOldCell(int ACol, int ARow);
  // The base column widths the proportional sizing scales, and the grid
  // width they belong to: Width (+2 without a single border), less the
  // fixed and right fixed columns with ColumnSize.SynchNormalCellsOnly, less
  // one pixel per inner vertical grid line with goVertLine.
  void InitOrigColSizes();
  int OrigGridWidth() const { return FOrigClientWidth; }

  // The look of a cell in its order of precedence (fonts, colours, gradient,
  // alignment, word wrap); the font-only form; the alignment of a (real)
  // cell.
  void GetFontProperties(int ACol, int RCol, int ARow, TGridDrawState& AState, TFont* AFont, TBrush* ABrush);
  void GetCellAlignment(int ACol, int ARow, TAlignment& HA, TVAlignment& VA);
  // The per-cell painter and its text step.
  void DrawGridCell(TCanvas* Canvas, int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
  void DrawCellText(TCellPaintContext& Ctx);
  // The sort marker of real column ACol centred on X around Y: a triangle
  // by direction, or with IndexShow the column's place in the sort list.
  void DrawSortIndicator(TCanvas* Canvas, int ACol, int Y, int X);
  // The size a cell's text takes as it is painted; the public form never
  // lifts the width limit.
  TSize GetCellTextSize(int ACol, int ARow, bool VS, bool SB);
  void MeasureCellText(int ACol, int RCol, TSize& Size, bool SB, bool VS, bool FreeWidth, int ARow);
  // XOR sizing lines: drawing the same line again takes it away.
  void DrawColSizingLine(int X);
  void DrawRowSizingLine(int Y);
  // Column sizing to content.
  void AutoSizeColumns(bool DoFixedCols, int Padding);
  void AutoGrowColumns(bool DoFixedCols, int Padding);
  void AutoSizeCol(int Index, int Padding);
  void AutoGrowCol(int ACol, int Padding);
  void SizeColumnToContents(int Index, bool GrowOnly);
  // Colours from the active visual style, or the plain ones.
  void ApplyStyleColors(bool ApplyToCells = true);
  void RestoreDefaultColors();
  // The look's value name ("glXP") and its caption ("Windows XP"); for
  // glCustom the text is left as it was.
  static void GridLookToString(TGridLook Look, QString& Text);
  static void GridLookDisplayName(TGridLook Look, QString& Text);
  // A visual style paints the client area.
  bool StyledClient();
  bool StyleBackground() const { return FStyleBackground; }
  // Which parts the active visual style paints (all by default).
  TStyleElements StyleElements() const { return FStyleElements; }
  void SetStyleElements(TStyleElements Value) { FStyleElements = Value; }
  // The mouse button is held in the grid (set by the mouse handling).
  bool MouseButtonDown() const { return FMouseDown; }
  void SetMouseButtonDown(bool Value) { FMouseDown = Value; }
  bool NoImageAndText() const { return FNoImageAndText; }
  void SetNoImageAndText(bool Value) { FNoImageAndText = Value; }
  bool NoDefaultDraw() const { return FNoDefaultDraw; }
  void SetNoDefaultDraw(bool Value) { FNoDefaultDraw = Value; }
  bool IsSortIndicatorCell(int ACol, int ARow);
  // Notifiers told (in registration order) about changed cells; not owned.
  void RegisterNotifier(TGridChangeNotifier* Notifier);
  void UnRegisterNotifier(TGridChangeNotifier* Notifier);
  // The old value remembered for editing.
  int OldCol() const { return FOldCol; }
  int OldRow() const { return FOldRow; }
  const QString& OldCellText() const { return FOldCellText; }

  // =========================================================================
  // Painting branches: hovered and pressed headers, row indicator, list-view
  // header, tree lines, search highlight, filter glyph and filter-edit row,
  // background pictures, the disjunct selection's colours; the node data
  // they read; the window's notifications (grid/model/KitGridPaintParts.cpp,
  // grid/model/KitGridNotify.cpp)

  // A fixed cell reacts to hovering (HoverFixedCells, then
  // OnIsFixedHoverCell).
  bool IsFixedHoverCell(int ACol, int ARow);
  std::function<void(TObject* Sender, int ARow, int ACol, bool& Result)> OnIsFixedHoverCell;
  std::function<void(TObject* Sender, int ACol, bool& CanShow)> OnCanShowFixedDropDown;
  // The header drop-down button is held down (set by the mouse handling).
  bool FixedDropDownPressed() const { return FFixedDropDownPressed; }
  void SetFixedDropDownPressed(bool Value) { FFixedDropDownPressed = Value; }
  // The display column being moved while a column move is in progress
  // (-1 when none; set by the mouse handling).
  int MovedColumn() const { return FMovedColumn; }
  void SetMovedColumn(int Value) { FMovedColumn = Value; }

  // Nodes: a ctNode graphic in the node column heads a span of rows whose
  // node-column cell properties carry the level.
  void AddNode(int ARow, int Span);
  // Every node expanded and removed; the rows stay as ordinary rows with
  // level 0.
  void RemoveAllNodes();
  // Every node expanded (no node can be contracted yet: the flags only).
  void ExpandAll();
  int NumNodes() const { return FNumNodes; }
  // The level of a node row; -1 for any other row.
  int GetNodeLevel(int ARow);
  // The level of any row (0 outside every node).
  int GetRowLevel(int ARow);
  // The span of a node row (0 = up to the next node row); -1 without node.
  int GetNodeSpan(int ARow);
  // The rows a node spans, its own included: the span, or for a span of 0
  // the rows up to the next node row (or the end); 0 without node.
  int GetNodeSpanRows(int ARow);
  // The number of child rows added under a node row; 0 without node.
  int GetSubNodeCount(int ARow);
  // A node row is contracted.
  bool NodeState(int ARow);
  // Tree-line kind: 0 node row, 2 when the next row (before the footer
  // rows) has a level not below this row's, else 1.
  int GetNodeSpanType(int ARow);
  // The node row owning ARow (a node row without owner answers itself);
  // -1 when no node owns it.
  int GetParentRow(int ARow);
  // Row insertion and removal of the node-aware hooks.
  void InsertNormalRow(int ARow);
  void RemoveNormalRow(int ARow);
  void InsertChildRow(int ARow, int InsertAt);
  void RemoveChildRow(int ARow);

  // The cell's slice of the background picture at (BackGround.Left, Top),
  // and of the picture tiled from the content origin.
  void PaintCellBackgroundPicture(TCanvas* Canvas, const TRect& R);
  void TileCellBackgroundPicture(TCanvas* Canvas, const TRect& R, int RealCol, int ARow);

  // The grid's built-in bitmaps by resource name ("KSGFILT", "metrocheckon",
  // "metrocheckoff", "metroradioon", "metroradiooff", and the search panel's
  // "KSGARDOWN", "KSGARUP", "KSGCLOSE", "KSGHI" with their disabled ("...D")
  // and the close glyph's hot and pressed looks "KSGCLOSEH", "KSGCLOSED");
  // false for another name.
  static bool LoadGridBitmap(const QString& Name, TBitmap* Bitmap);

  // Notifications of the grid's embedded date picker and balloon tool tip
  // (WM_NOTIFY with these codes and records).
  static constexpr int GN_DATETIMECHANGE = -759;
  static constexpr int GN_BALLOONTEXT = -530;
  static constexpr int GN_BALLOONSHOW = -521;
  static constexpr int GN_BALLOONPOP = -522;
  struct TGridDateTimeNotify {
    NMHDR Hdr;
    int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0, MSec = 0;
  };
  // A text request of the balloon at a client point; answered with the
  // text, the title, its icon, the width and colours the tip takes.
  struct TGridBalloonNotify {
    NMHDR Hdr;
    TPoint At;
    QString Text;
    QString Title;
    int Icon = 0;
    int MaxWidth = 0;
    TColor TextColor = 0x1FFFFFFF;
    TColor BackgroundColor = 0x1FFFFFFF;
    bool Answered = false;
  };
  TGridCoord LastBalloonCell() const { return FLastBalloonCell; }
  // The balloon of a cell (display column and row of its base cell), as the
  // grid and its footer panel answer a text request: the cell's plain text
  // (without Balloon.ShowCell none) under the title " " with DefaultIcon,
  // replaced by the cell's own balloon and passed through OnCellBalloon;
  // tabs become blanks, leading tabs and line breaks go, a text over 2,048
  // characters and a title over 100 are cut with "..."; the width and the
  // colours the tooltip takes. Answered stays false while balloons are off.
  void BalloonCellAnswer(int ACol, int ARow, int DefaultIcon, TGridBalloonNotify& Answer);
  std::function<void(TObject* Sender, int ACol, int ARow, QString& ATitle, QString& AText, int& AIcon)>
      OnCellBalloon;
  std::function<void(TObject* Sender, int ACol, int ARow, TColor AColor, const QString& AText)> OnColorSelect;
  std::function<void(TObject* Sender, int ACol, int ARow, int AIndex)> OnImageSelect;

  // --- Aggregates of columns, rows, rectangles and the selection; the
  // floating footer's calculation, template and events.
  // A range of rows of -1 (either end) means every data row: FixedRows to
  // RowCount - FixedFooters - 1.
  double ColumnSum(int ACol, int FromRow = -1, int ToRow = -1);
  double ColumnAvg(int ACol, int FromRow = -1, int ToRow = -1);
  double ColumnMin(int ACol, int FromRow = -1, int ToRow = -1);
  double ColumnMax(int ACol, int FromRow = -1, int ToRow = -1);
  double ColumnStdDev(int ACol, int FromRow = -1, int ToRow = -1);
  double ColumnDistinct(int ACol, int FromRow = -1, int ToRow = -1);
  double ColumnCount(int ACol, int FromRow = -1, int ToRow = -1);
  double ColumnCustomCalc(int ACol, int FromRow = -1, int ToRow = -1);
  double RowSum(int ARow, int FromCol, int ToCol);
  double RowAvg(int ARow, int FromCol, int ToCol);
  double RowMin(int ARow, int FromCol, int ToCol);
  double RowMax(int ARow, int FromCol, int ToCol);
  double RectCalc(const TGridRect& GR, TCalcType CalcType);
  double RectSum(const TGridRect& GR) { return RectCalc(GR, ctSum); }
  double RectAvg(const TGridRect& GR) { return RectCalc(GR, ctAvg); }
  double RectMin(const TGridRect& GR) { return RectCalc(GR, ctMin); }
  double RectMax(const TGridRect& GR) { return RectCalc(GR, ctMax); }
  double SelectionSum() { return RectSum(GetSelection()); }
  double SelectionAvg() { return RectAvg(GetSelection()); }
  double SelectionMin() { return RectMin(GetSelection()); }
  double SelectionMax() { return RectMax(GetSelection()); }
  // A footer template with its "<#n>" tags replaced by the texts of column n
  // of the current row.
  QString ExpandFooterTemplate(const QString& Template);
  TGroupCalcEvent OnColumnCalc;
  TCalcFooterEvent OnCalcFooter;
  TPaintFooterEvent OnPaintFooter;

 protected:
  // Set by the grouping operations: the grouped column, -1 when not grouped.
  void SetGroupColumnState(int ACol) { FGroupColumn = ACol; }

 private:
  // Calls Fn(row, value) for each counted row of a column range.
  template <class Fn>
  void ForCountedRows(int ACol, int FromRow, int ToRow, Fn&& F);
  void DefaultRowRange(int& FromRow, int& ToRow) const;
  // Set while the footer calculation counts hidden rows: column ranges are
  // then read by real row index.
  bool FCalcRealRows = false;
  // --- end of aggregates

 public:
  // =========================================================================
  // Hyperlinks, rich text and stripped cell text (KitGridRichText.cpp)

  // The base grid's display text; with URLShowInText the first link of the
  // first display prefix found (HTTP://, WWW., MAILTO:, ...) becomes an
  // anchor; with Grouping.ShowGroupCount column 1 of a node row gets the
  // node's row count (span - sub-nodes - 1) as " (n)", or formatted by
  // Grouping.GroupCountFormat.
  void GetDisplText(int ACol, int ARow, QString& Value) override;
  // The cell text holds "://" or "mailto:" (case-sensitive).
  bool HasHyperlink(int i, int j);
  // The first link of the first scheme found (file, http, https, ftp, ftps,
  // nntp, mailto, in that order), lower-cased, cut before a quote.
  QString GetHyperlink(int i, int j);
  QString Hyperlink(int i, int j) { return GetHyperlink(i, j); }
  // The same link in its own letter case, and an anchor's text.
  void GetHyperlinkDetails(int i, int j, QString& URL, QString& Text);
  // The cell text holds a form control tag.
  bool HasHTMLForm(int ACol, int ARow);
  // Rich text between cells and a rich edit; RichToString answers an empty
  // text while the grid is being destroyed.
  void CellToRich(int Col, int Row, TRichEdit* Richeditor);
  QString RichToString(TRichEdit* Richeditor);
  void RichToCell(int Col, int Row, TRichEdit* Richeditor);
  QString StrippedCells(int i, int j) { return GetStrippedCell(i, j); }
  // The hidden rich edit, made on first use.
  TRichEdit* RichEdit();
  // Draws a rich-text cell (display column ACol) into ARect of any canvas.
  void PaintRichText(int ACol, int ARow, const TRect& ARect, TCanvas* Canvas);

 private:
  // The size a rich-text cell needs (plus 4 pixels of height), within R's
  // width with FreeWidth, else within 1,024 pixels.
  TSize MeasureRichText(int RCol, int ARow, const TRect& R, bool FreeWidth, TFont* Font);
  bool IsRichTextCellSelected(int ACol, int ARow);
  std::unique_ptr<TRichEdit> FRichEdit;

 private:
  // --- the steps the row operations share (grid/dataops/KitGridHiddenRows.cpp,
  // grid/dataops/KitGridRowsCols.cpp)

  // A row entering the store: its final display position, its cells (texts
  // with their records; nullptr: an empty row) and its height.
  struct TRowEntry {
    int Pos = 0;
    TStrings* Cells = nullptr;
    int Height = 0;
  };
  // 1 while the floating footer row stands last in the store, else 0.
  int FloatingFooterRows() const;
  // The sorted lookup of the records, built when needed.
  const THiddenRowIndex& HiddenRowLookup() const;
  // Takes the listed display rows (ascending, unique) out of the store in
  // one pass; the kept rows close up with their heights and the count
  // drops. With Taken, each taken row's cells (texts and record
  // references) and height are handed over there in list order; without,
  // the caller freed the rows' records before.
  void TakeRowsOut(const std::vector<int>& Rows, std::vector<std::pair<std::unique_ptr<TStringList>, int>>* Taken);
  // Puts rows into the store at their final display positions (ascending,
  // unique) in one pass from the bottom; the floating footer stays last.
  void PutRowsIn(const std::vector<TRowEntry>& Entries);
  // The per-row lists, the hidden-row records and the cell controls after
  // the listed real rows (ascending) left the grid, or after Count real rows
  // entered before real row RealAt.
  void RealRowsRemoved(const std::vector<int>& RealRows);
  void RealRowsInserted(int RealAt, int Count, bool Controls);
  // Frees the cell records of a display row (and the user objects with
  // OwnsObjects) over every column, hidden ones included.
  void FreeRowObjects(int DisplRow);
  // Removes display rows (ascending) as RemoveRows does: records freed,
  // rows and lists closed up, the current row kept where it can stay.
  void RemoveDisplayRows(const std::vector<int>& Rows);
  // Puts the current row back (or as near as the grid allows) after rows
  // left or entered the store.
  void RestoreCurrentRow(int ARow, int ATopRow);
  // Frees every hidden-row record with the cell records it holds.
  void FreeHiddenRowRecords();
  // Shows the records (ascending real order) again and frees them.
  void UnHideRecords(const std::vector<TGridItem*>& Records);
  // Makes the cell controls of a real row visible or invisible.
  void ShowRowControls(int RealRow, bool Visible);

 public:
  // =========================================================================
  // Balloons (KitGridHints.cpp): the tooltip window of the balloon settings,
  // there while balloons are on and the grid has a window.
  TBalloonTip* BalloonTip() const { return FBalloonTip.get(); }
  // The delays that are not -1 and the opacity (255 - Transparency) of the
  // settings, into the tooltip.
  void BalloonInitSettings(TBalloonTip* HToolTip);
  // The drag image of a cell range (KitGridDragImage.cpp): a form owned by
  // the grid that the caller shows, moves and frees.
  TForm* SelectionToForm(TGridRect ARect);

 private:
  std::unique_ptr<TBalloonTip> FBalloonTip;

 public:
  // The framework's client rectangle, ending at the top of the search panel
  // while the search footer shows it.
  TRect ClientRect() const override;
  // =========================================================================

 protected:
  // The in-place editor's length limit.
  int GetEditLimit() override { return std::max(FMaxEditLength, 0); }
  void CreateWnd() override;
  void CreateHandle() override;
  void Resize() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // The in-place editor's text for a cell, by real row.
  void BalloonInit();
  void BalloonDone();
  // The balloon tooltip goes with the window (it is made again with it).
  void DestroyWnd() override;
  // Reaching another cell than the one of the balloon shown (its base cell
  // when merged) takes the balloon away (KitGridHints.cpp).
  void MouseMove(TShiftState Shift, int X, int Y) override;
  // The grid's balloon asks its text through the grid's WM_NOTIFY.
  QString BalloonNeedText();

  // Raises "Invalid row accessed" and the other selection errors.
  [[noreturn]] static void GridError(const QString& Message);

 private:
  friend class TFloatingFooter;
  friend class TDragDropSettings;
  // Clipboard and drag-and-drop state (grid/io/KitGridClipboard.cpp, grid/io/KitGridDragDrop.cpp).
  friend class TGridDropTarget;
  friend class TGridDropSource;
  void PasteSmartFill(int n, int Cols, int Rows);
  bool PastePrivateFormat(const QByteArray& Data, int ACol, int ARow, int& Cols, int& Rows, int& Result);
  void StoreFilledValue(int c, int r, const QString& v, bool Events);
  TPoint FClipTopLeft{0, 0};
  TClipOperation FClipLastOp = coCopy;
  bool FPasteAll = false;
  std::shared_ptr<TGridDropTarget> FGridDropTarget;  // shared with the window registration
  bool FOleDropTargetAssigned = false;
  TGridRect FDropSelection{-1, -1, -1, -1};
  int FOleDragCol = -1;
  int FOleDragIndex = -1;
  TListBox* FOleDragList = nullptr;
  int FTimerTicks = 0;
  TPoint FDropMarkerLeft{-1, -1};
  TPoint FDropMarkerDown{-1, -1};
  TPoint FDropMarkerUp{-1, -1};
  // Constructor steps.
  void CreateOwnedObjects();
  void LoadXMLDocument(TXMLDOMDocument* Doc, bool LevelToRow, bool LoadFieldDescr);
  void CreateRunTimeObjects();
  void FillFilterImageList();
  void BalloonEnableChanged(TObject* Sender);
  // Row colour of a block of a row.
  void ApplyRowColor(int r, TColor Value, int Which);
  // Writes range highlight or mark of a block.
  void MarkRange(int c1, int r1, int c2, int r2, const QString& Tag, bool DoCase, const QString& Text,
                 bool FullText);
  void UnMarkRange(int c1, int r1, int c2, int r2, const QString& Tag);
  // The column and row bounds of the range forms.
  void FillRange(bool DoFixed, int& c1, int& r1, int& c2, int& r2) const;
  int GetIntsFromText(const QString& Text) const;
  void SetRowSelectEntry(int ARow, bool Value, bool& Changed);
  // Delimited text cores (grid/io/KitGridCsv.cpp).
  void WriteCSV(const QString& FileName, const TGridRect& ARect, TEncoding* AEncoding, bool Append);
  void ReadCSV(const QByteArray& Bytes, TEncoding* Fallback, bool Insert, int MaxRows, int IgnoreRows);
  QString CSVField(QString S, QChar D) const;
  int SplitCSVLine(QStringView S, QChar D, int ARow, int FirstCol, int Hidden);
  // Workbook cores (grid/io/KitGridExcel.cpp).
  void WriteXLS(const QString& Filename, const QString& SheetName, bool CreateNewSheet);
  void ReadXLS(const QString& Filename, const QString& SheetName);

  // --- owned objects
  TFooterPanel* FFooterPanel = nullptr;  // owned as a component
  TSearchPanel* FSearchPanel = nullptr;  // owned as a component
  bool FUpdatingSearchFooter = false;
  std::unique_ptr<TAutoColor> FAutoColor;
  std::unique_ptr<TFont> FCellFont;
  std::unique_ptr<TFocusHelper> FFocusHelper;
  std::unique_ptr<TSearchFooter> FSearchFooter;
  std::unique_ptr<TFloatingFooter> FFloatingFooter;
  std::unique_ptr<TPrintSettings> FPrintSettings;
  std::unique_ptr<THTMLSettings> FHTMLSettings;
  std::unique_ptr<TSortSettings> FSortSettings;
  std::unique_ptr<TDragDropSettings> FDragDropSettings;
  std::unique_ptr<TDragScrollOptions> FDragScrollOptions;
  std::unique_ptr<TControlLook> FControlLook;
  std::unique_ptr<TNavigation> FNavigation;
  std::unique_ptr<TColumnSize> FColumnSize;
  std::unique_ptr<TCellNode> FCellNode;
  std::unique_ptr<TBands> FBands;
  std::unique_ptr<TSizeWhileTyping> FSizeWhileTyping;
  std::unique_ptr<TMouseActions> FMouseActions;
  std::unique_ptr<TGrouping> FGrouping;
  std::unique_ptr<TStringList> FColumnHeaders;
  std::unique_ptr<TIntList> FRowHeightCache;
  std::unique_ptr<THTMLPictureCache> FImageCache;
  std::unique_ptr<TIntList> FOrigColSizes;
  std::unique_ptr<TIntList> FSuppressColSizes;
  std::unique_ptr<TIntList> FSuppressRowSizes;
  std::unique_ptr<TFont> FFixedFont;
  std::unique_ptr<TFont> FActiveCellFont;
  std::unique_ptr<TStringList> FRowHeaders;
  std::unique_ptr<TStringList> FSortList;
  std::unique_ptr<TStringList> FLookupItems;
  std::unique_ptr<TList> FRowSelect;
  std::unique_ptr<TList> FColSelect;
  std::unique_ptr<TSortIndexList> FSortIndexes;
  std::unique_ptr<TIntList> FSortRowXRef;
  std::unique_ptr<TIntList> FUnSortRowXRef;
  // Sorting state (grid/dataops/KitGridSort.cpp).
  int FSortDir = 1;
  int FSortRow = 0;
  int64_t FCompares = 0;
  int64_t FSwaps = 0;
  TSortDirection FAutoNumberDirection = sdAscending;
  int FAutoNumberOffset = 0;
  int FAutoNumberStart = 0;
  // Sorting helpers: the partition loops, the pivot copy, the work on the
  // whole-grid sorts that QSort and its siblings share.
  class TSortRun;
  void QuickSortRows(int ACol, int Left, int Right);
  void QuickSortRowsIndexed(int Index, int Left, int Right);
  // The partition sort of both kinds (Indexed: by SortIndexes from entry
  // Index, else by column ACol) with a budget of partition rounds; a range
  // that exhausts it is heap-sorted, which bounds the time on any data.
  void PartitionSortRows(bool Indexed, int ACol, int Index, int Left, int Right, int Budget);
  void HeapSortRows(bool Indexed, int ACol, int Index, int Left, int Right);
  // 1 when row A sorts after row B in the running sort.
  int SortOrder(bool Indexed, int ACol, int Index, int A, int B);
  void QuickSortUnSort(int Left, int Right);
  void QSortGroupRows(bool Indexed);
  void CopyRowToScratch(int ARow, int AScratch);
  void EmptyScratchRows(int FromRow, int Count);
  // Runs Sort over the grid with its scratch rows added below the RowCount
  // rows, and takes them away again on every way out.
  void WithScratchRows(const std::function<void(int Rows)>& Sort);
  void ExchangeRowStates(int ARow1, int ARow2);
  std::unique_ptr<TIntList> FMergedColumns;
  std::unique_ptr<TIntList> FSelectedCells;
  std::unique_ptr<TIntList> FSelectedRows;
  std::unique_ptr<TIntList> FModifiedRows;
  std::unique_ptr<TIntList> FEnabledRows;
  std::unique_ptr<TBitmap> FRowIndicator;
  std::unique_ptr<TBackGround> FBackGround;
  std::unique_ptr<TKitControlList> FControlList;
  std::unique_ptr<TGridProgressAppearance> FProgressAppearance;
  std::unique_ptr<TSyncGrid> FSyncGrid;
  std::unique_ptr<TCollection> FHiddenRowStore;
  std::unique_ptr<TFilter> FFilter;
  std::unique_ptr<TBalloonSettings> FBalloon;
  std::unique_ptr<TShowModified> FShowModified;
  std::unique_ptr<TList> FNotifierList;
  std::unique_ptr<TIntList> FColumnOrder;
  std::unique_ptr<TCellGraphic> FCellGraphic;
  std::unique_ptr<TKitHintInfo> FOfficeHint;
  std::unique_ptr<TIntList> FIgnoreColumns;
  std::unique_ptr<TFilterDropDown> FFilterDropDown;
  TListBox* FDropList = nullptr;      // owned as a component
  TListBox* FDropCheckList = nullptr;  // owned as a component
  std::unique_ptr<TStringList> FFilterList;
  std::unique_ptr<TFilterEdit> FFilterEdit;
  TImageList* FFilterImageList = nullptr;  // owned as a component
  std::unique_ptr<THoverButtons> FHoverButtons;
  // Run-time only (owned as components).
  TGridFocusWindow* FFocusWindow = nullptr;
  std::array<TArrowWindow*, 4> FArrows{};
  TScrollBar* FCellScrollBar = nullptr;
  TScrollBar* FPaintScrollBar = nullptr;
  TForm* FHoverButtonForm = nullptr;

  // --- state
  bool FDesignTime = false;
  bool FLoaded = false;
  bool FLoading = false;
  bool FEditChange = false;
  double FDPIScale = 1.0;
  double FPrevDPIScale = 1.0;
  int FFixedRowsMin = 1;
  int FFixedColsMin = 1;
  bool FFixedRowAlways = false;
  bool FFixedColAlways = false;
  int FFixedFooters = 0;
  int FFixedRightCols = 0;
  int FFixedRowHeight = 21;
  int FMaxRowCount = 0;
  int FMaxColCount = 0;
  std::vector<bool> FVisibleCol;
  std::vector<int> FAllColWidths;
  int FUpdateCount = 0;
  int FNumHidden = 0;
  bool FRedrawLocked = false;
  bool FSelChange = false;
  int FZoomFactor = 0;
  bool FScrollLock = false;
  bool FRHChanging = false;
  TCursor FOldCursor = crDefault;
  int FNumCellControls = 0;
  bool FWordWrapEx = true;
  TVAlignment FVAlignment = vtaTop;
  int FVAlign = 0;
  TGridRect FDisSelection{-1, -1, -1, -1};
  int FAECol = -1;
  int FAERow = -1;
  bool FNilObjects = false;
  TEditorType FCurrentEditor = edNormal;
  bool FUseEnabledRows = false;
  bool FSelHidden = false;
  TGridRect FSavedSelection;
  bool FOwnsObjects = false;
  int FOldRowSel = -1;
  bool FBlockCellChanging = false;
  mutable THiddenRowIndex FHiddenRowLookup;
  mutable bool FHiddenRowLookupValid = false;
  bool FRowSelectChanged = false;
  bool FBalloonInit = false;
  int FWheelScrollLines = 0;
  UINT FWheelMessage = 0;
  bool FWheelPan = false;
  TColorTones FColorTones;

  TAlignment FDefaultAlignment = taLeftJustify;
  TColor FSelectionColor = 0xEACAB6;
  TColor FSelectionColorTo = clNone;
  TColor FSelectionMirrorColor = clNone;
  TColor FSelectionMirrorColorTo = clNone;
  TColor FSelectionTextColor = 0;
  TColor FSelectionRectangleColor = 0;
  bool FSelectionColorMixer = false;
  bool FSelectionRectangle = false;
  bool FSelectionResizer = false;
  bool FSelectionRTFKeep = false;
  int FSelectionColorMixerFactor = 50;
  bool FShowSelection = true;
  bool FShowFocusedSelectionColor = true;
  bool FUseSelectionTextColor = true;
  bool FHideFocusRect = false;
  int FMaxEditLength = 0;
  bool FSizeWithForm = false;
  bool FSpreadSheet = false;
  bool FAutoSize = false;
  bool FFlat = false;
  bool FUseHTMLHints = false;
  bool FUseStyleServices = true;
  bool FUseKWFStyles = false;
  bool FShowDesignHelper = true;
  bool FActiveCellShow = false;
  TColor FActiveCellColor = 0x808080;
  TColor FActiveCellColorTo = clNone;
  TFormatType FFormatType = ftKWF;
  TColor FVDXGradientFrom = 0xFFFFFF;
  TColor FVDXGradientTo = clNone;
  TColor FVDXGradientMirrorFrom = clNone;
  TColor FVDXGradientMirrorTo = clNone;
  QHash<QString, TColor> FVDXGradients;  // the hover and down gradient colours
  TKitStringGridCheck* FCellChecker = nullptr;

  TGridLook FLook = glXP;
  TVDXStyle FUIStyle = tsCustom;
  TColor FBorderColor = 0xB99D7F;
  TOfficeTheme FPrevOfficeTheme = otUnknown;
  TColor FHintColor = clInfoBk;
  TColor FHighlightColor = clHighlight;
  TColor FHighlightTextColor = clHighlightText;
  THintShowLargeTextPos FHintShowLargeTextPos = hpCell;
  bool FHintShowCells = false;
  bool FHintShowLargeText = false;
  bool FUseInternalHintClass = true;
  bool FHTMLKeepLineBreak = true;
  bool FHTMLHint = false;
  TInvalidEntryIcon FInvalidEntryIcon = ieWarning;
  QString FInvalidEntryTitle;
  QString FInvalidEntryText;
  bool FUseFixedFont = true;
  bool FUseDisabledFont = true;
  TColor FDisabledFontColor = 0xC0C0C0;
  bool FEnableHTML = true;
  TColor FURLColor = 0xFF0000;
  bool FURLUnderline = true;
  bool FURLShow = false;
  bool FURLShowInText = false;
  bool FURLFull = false;
  TEditorType FDefaultEditor = edNormal;
  TPoint FXYOffset{2, 2};
  TPoint FXYRTFOffset{0, 0};
  bool FXYOffsetTopLeftOnly = false;
  QChar FPasswordChar = u'*';
  QString FFloatFormat = QStringLiteral("%.2f");
  QString FCheckTrue = QStringLiteral("Y");
  QString FCheckFalse = QStringLiteral("N");
  QString FXMLEncoding = QStringLiteral("ISO-8859-1");
  TEncoding* FEncoding = nullptr;
  QChar FDelimiter{0};
  bool FJavaCSV = false;
  bool FQuoteEmptyCells = true;
  bool FQuoteQuoteCells = true;
  bool FAlwaysQuotes = false;
  bool FCSVMultilineCellImport = true;
  bool FCSVTrimSpaces = true;
  bool FShowNullDates = true;
  bool FSaveFixedCells = true;
  bool FSaveFixedRows = false;
  bool FSaveFixedCols = false;
  bool FSaveHiddenCells = false;
  bool FSaveVirtCells = true;
  bool FSaveMergedCells = true;
  bool FSaveWithHTML = true;
  bool FSaveWithRTF = false;
  bool FLoadFirstRow = true;
  bool FClearTextOnly = false;
  bool FExcelClipboardFormat = false;
  bool FPrinterDriverFix = false;
  int FPrintPageFrom = 1;
  int FPrintPageTo = 1;
  int FPrintNrOfPages = 0;
  std::vector<int> FPrintColWidths;
  std::vector<int> FPrintColOffsets;
  bool FFilterNormalCellsOnly = true;
  bool FAutoFilterUpdate = true;
  bool FFilterActive = false;
  TGridFilterType FFilterType = ftHide;
  QString FFilterDropDownClear = QStringLiteral("(All)");
  TFilterDropDownColumns FFilterDropDownColumns = fdNormal;
  bool FFilterDropDownMultiCol = true;
  bool FFilterDropDownAuto = false;
  bool FFilterDropDownCheck = false;
  bool FFilterDropDownCheckUnCheckAll = false;
  int FFilterDropDownRow = 0;
  bool FFilterIncremental = false;
  int FFilterLevel = 0;
  int FFilterCol = -1;
  bool FEnableWheel = true;
  bool FIntelliZoom = true;
  TIntelliPan FIntelliPan = ipNone;
  bool FEnhRowColMove = true;
  bool FFitCellsInGrid = true;
  bool FSizeGrowOnly = false;
  bool FVirtualEdit = false;
  int FGroupColumn = -1;
  bool FEditingDisabled = false;
  THoverFixedCells FHoverFixedCells = hfNone;
  TGridCoord FHoverFixedCell{-1, -1};
  bool FFixedSizingLeft = false;
  bool FFixedSizingRight = false;
  bool FNoMouseLeave = false;
  int FComboIndex = -1;
  TScrollStyle FScrollBars = ssBoth;
  TScrollType FScrollType = ssNormal;
  TColor FScrollColor = clNone;
  int FScrollWidth = 17;
  bool FScrollProportional = false;
  bool FScrollSynch = false;
  TScrollHintType FScrollHints = shNone;
  TScrollBarAlways FScrollBarAlways = saNone;
  bool FDesignColumnNumbers = false;
  // Positions the mouse and key handling keep, all -1 until used.
  TPoint FTouchScrollPoint{-1, -1};
  TPoint FMouseDownPoint{-1, -1};
  TGridCoord FLastTabCell{-1, -1};
  TGridCoord FHoveredLink{-1, -1};
  int FDragColumn = -1;
  int FDesignChoice = -1;
  TPoint FOldSize{-1, -1};
  int FLastClickedCol = -1;
  int FLastClickedRow = -1;
  TGridCoord FMouseSelectionStart{-1, -1};
  int FOldSelectedRow = -1;
  int FLastScrollCode = 255;
  int FPrevLeftCol = 0;
  int FPrevTopRow = 0;
  bool FIsWinXP = true;
  bool FIsWin7 = true;
  bool FIsVista = true;
  bool FIsComCtl6 = true;
  TCustomImageList* FGridImages = nullptr;
  TPictureContainer* FPictureContainer = nullptr;
  bool FAutoHideSelection = false;
  bool FAutoNumAlign = false;
  bool FAutoThemeAdapt = false;
  bool FEditWithTags = false;
  bool FEnableBlink = false;
  bool FEnhTextSize = false;
  bool FExcelStyleDecimalSeparator = false;
  bool FFixedAsButtons = false;
  bool FHovering = false;
  bool FIntegralHeight = false;
  int FLookupHistory = 0;
  bool FLookup = false;
  bool FLookupCaseSensitive = false;
  int FMaxComboLength = 0;
  bool FMultilinecells = false;
  bool FAnchorHint = false;
  int FMinRowHeight = 0;
  int FMaxRowHeight = 0;
  int FMinColWidth = 0;
  int FMaxColWidth = 0;

  // --- window messages
  void WMSize(TMessage& Message);
  void WMNCPaint(TMessage& Message);
  void Click() override;
  bool FSizingInProgress = false;
  bool FSizeHandlingOff = false;
  int FOrigClientWidth = 0;

  // --- painting
  void Paint() override;
  void PaintOuterBackground();
  void DrawCellBorders(TCanvas* Canvas, int ACol, int ARow, const TRect& R, bool Fixed);
  bool FStyleBackground = false;
  TStyleElements FStyleElements{seFont, seClient, seBorder};
  bool FStyledScrollBars = false;
  bool FMouseDown = false;
  bool FNoImageAndText = false;
  bool FNoDefaultDraw = false;
  int FOldCol = -1;
  int FOldRow = -1;
  QString FOldCellText;
  QString FOldWideText;
  bool FOldModified = false;

  // --- painting branches, nodes and notifications (KitGridPaintParts.cpp,
  // KitGridNotify.cpp)
  void WMNotify(TMessage& Message);
  bool PaintHoveredHeader(TCellPaintContext& Ctx);
  int PaintRowIndicator(TCellPaintContext& Ctx);
  void PaintListViewHeader(TCellPaintContext& Ctx);
  void PaintTreeLines(TCellPaintContext& Ctx);
  QString SearchHighlighted(const TCellPaintContext& Ctx, const QString& Text);
  void PaintFilterGlyph(TCellPaintContext& Ctx, const TRect& R);
  void ResetDisjunctColours(TCellPaintContext& Ctx, TColor& UrlColor);
  void PaintFilterEditType(TCellPaintContext& Ctx, TRect& R, int& Indent, QString& Placeholder);
  bool FFixedDropDownPressed = false;
  int FMovedColumn = -1;
  int FNumNodes = 0;
  TGridCoord FLastBalloonCell{-1, -1};

  // --- cell controls and graphics (KitGridCheck.cpp, KitGridGraphicPaint.cpp)
  void CheckAddBounds(int ACol, int ARow);
  // Check boxes keep their groups in step (Grouping.AutoCheckGroup) in a
  // grid holding nodes: a row below the fixed rows takes part.
  bool InCheckGroup(int ARow);
  // The three-state box of node row ANode in column ACol follows the boxes
  // of the node's rows: checked or unchecked when they all agree, grayed
  // otherwise (rows without a box do not count).
  void UpdateNodeCheck(int ACol, int ANode);
  // UpdateNodeCheck for every node above ARow, innermost first.
  void UpdateAncestorChecks(int ACol, int ARow);
  void DrawNodeGlyph(TCellPaintContext& Ctx, TRect R);
  void DrawRotatedText(TCellPaintContext& Ctx, TRect R, int Angle);
  void DrawRotatedLines(TCellPaintContext& Ctx, TRect R, int Angle, const QString& Text);
  // A header cell that shows the sort marker: the sort row (or a merged
  // area spanning it) of the sort column or a sort index column, with fixed
  // rows, in a scrollable column or with SortSettings.FixedCols, and the
  // column first in the index list or IndexShow on.
  bool ShowsSortIndicator(const TCellPaintContext& Ctx);
  // The red wave under the cell's marked characters (AddMarker), for a text
  // drawn as one block in R with the DrawText flags, clipped to the cell.
  void PaintErrorMarker(TCellPaintContext& Ctx, const QString& Text, const TRect& R, UINT Flags, const TRect& Cell);
  // The cell's own scroll bar along its right edge (AddScrollBar): the
  // painter bar takes the cell's position, page and range; answers the
  // position the text is scrolled by, and takes the bar's width off R.
  int PaintCellScrollBar(TCellPaintContext& Ctx, TRect& R);
  void DrawGraphicButton(TCellPaintContext& Ctx, TCellGraphic* G, const TRect& Cell, const TRect& Box);
  TGridCoord FHoverButtonCell{-1, -1};
  bool FGridModified = false;

  // =========================================================================
  // Printing: page layout on paper, printed cells, header and footer, preview
  // (grid/io/KitGridPrint.cpp, KitGridPrintCells.cpp).
 public:
  using TPrintStartEvent = std::function<void(TObject* Sender, int NrOfPages, int& FromPage, int& ToPage)>;
  using TFitToPageEvent = std::function<void(TObject* Sender, double& ScaleFactor, bool& Allow)>;
  using TPrintColumnWidthEvent = std::function<void(TObject* Sender, int ACol, int& Width)>;
  using TPrintRowHeightEvent = std::function<void(TObject* Sender, int ARow, int& Height)>;
  using TPrintPageEvent =
      std::function<void(TObject* Sender, TCanvas* Canvas, int PageNr, int PageXSize, int PageYSize)>;
  using TPrintPageTopBottomSizeEvent =
      std::function<void(TObject* Sender, TCanvas* Canvas, int PageNr, int& HeaderSize, int& FooterSize)>;
  using TPrintNewPageEvent = std::function<void(TObject* Sender, int ARow, bool& NewPage)>;
  using TPrintPageDoneEvent = std::function<void(TObject* Sender, TCanvas* Canvas, int LastRow, int LastRowOffset,
                                                 int LastPage, int PageXSize, int PageYSize)>;
  using TPrintCancelEvent = std::function<void(TObject* Sender, int PageNr, bool& Cancel)>;
  using TPrintGetPageNumEvent =
      std::function<void(TObject* Sender, int PageNum, int PageColNum, QString& PageNumString)>;
  using TCustomCellSizeEvent =
      std::function<void(TObject* Sender, TCanvas* Canvas, int ACol, int ARow, TPoint& ASize, bool Printing)>;

  void Print();
  void PrintSelection();
  void PrintRect(const TGridRect& Gridrect);
  void PrintSelectedRows();
  void PrintSelectedCols();
  void PrintPreview(TCanvas* Canvas, const TRect& Displayrect);
  void PrintPreviewRect(TCanvas* Canvas, const TRect& Displayrect, const TGridRect& Gridrect);
  void PrintPreviewSelection(TCanvas* Canvas, const TRect& Displayrect);
  void PrintPreviewSelectedRows(TCanvas* Canvas, const TRect& Displayrect);
  void PrintPreviewSelectedCols(TCanvas* Canvas, const TRect& Displayrect);
  void PrintDraw(TCanvas* Canvas, const TRect& DrawRect);
  void PrintDrawRect(TCanvas* Canvas, const TRect& DrawRect, const TGridRect& Gridrect);
  // A font size in points as a height in tenths of a millimetre (negative:
  // the character height), scaled by the fit scale while printing.
  int MapFontHeight(double pointsize) const;
  int MapFontSize(int Height) const;

  TRect PrintPageRect() const { return FPrintPageRect; }
  int PrintPageWidth() const { return FPrintPageWidth; }
  int PrintColStart() const { return FPrintColStart; }
  int PrintColEnd() const { return FPrintColEnd; }
  int PreviewPage() const { return FPrintPageFrom; }
  void SetPreviewPage(int Value) { FPrintPageFrom = FPrintPageTo = Value; }
  bool IsPrintPreview() const { return FIsPrintPreview; }
  void SetIsPrintPreview(bool Value) { FIsPrintPreview = Value; }
  bool FastPrint() const { return FFastPrint; }
  void SetFastPrint(bool Value) { FFastPrint = Value; }
  // The number of bands (column pages) of the last run.
  int PrintBandCount() const { return FPrintBandCount; }

  // Moves Rect's top-left to the start point of text rotated by Angle
  // degrees, given the rotated extents A, B, C and D.
  static void AlignAngledTextRect(TRect& Rect, TAlignment HAlign, TVAlignment VAlign, int A, int B, int C, int D,
                                  int Angle);
  static QString JoinWithBlank(const QString& a, const QString& b);
  int GetPrinterOrientationCapability();
  int GetTextOffsetHeight() const;
  int GetTextOffsetWidth() const;
  int GetMaxLinesInRow(int ARow);
  // A bitmap stretched into Rect through its device-independent bits.
  static void StretchBitmapDIB(TCanvas* Canvas, const TRect& Rect, TBitmap* Bitmap, DWORD Rop = 0x00CC0020);

  TPrintStartEvent OnPrintStart;
  TFitToPageEvent OnFitToPage;
  TPrintColumnWidthEvent OnPrintSetColumnWidth;
  TPrintRowHeightEvent OnPrintSetRowHeight;
  TPrintPageEvent OnPrintPage;
  TPrintPageTopBottomSizeEvent OnPrintPageTopBottomSize;
  TPrintNewPageEvent OnPrintNewPage;
  TPrintPageDoneEvent OnPrintPageDone;
  TPrintCancelEvent OnPrintCancel;
  TNotifyEvent OnPrintDone;
  TPrintGetPageNumEvent OnPrintGetPageNum;
  TCustomCellSizeEvent OnCustomCellSize;

 private:
  friend class TKitGridPrinter;
  void PrintRange(const TGridRect& Range, bool SelectedOnly);
  void PreviewRange(TCanvas* Canvas, const TRect& Displayrect, bool SelectedOnly, const TGridRect& Range);
  TGridRect FPrintRect{};
  TRect FPrevRect;
  TRect FPrintPageRect;
  int FPrintPageWidth = 0;
  int FPrintColStart = 0;
  int FPrintColEnd = 0;
  int FPrintBandCount = 0;
  bool FIsPrintPreview = false;
  bool FFastPrint = false;
  double FFontscalefactor = 1.0;
  std::vector<int> FCacheRowHeights;
  bool FUseCacheRowHeights = false;

  // =========================================================================
  // Search and replace (grid/dataops/KitGridFind.cpp). Cells are walked
  // column by column (or row by row with fnDirectionLeftRight), forward or
  // backward, within the data cells (the whole grid with fnIncludeFixed, the
  // selection with fnSelectedCells), never wrapping around; columns in
  // IgnoreColumns are skipped. A search text is matched as a substring (or
  // start, or whole text); an empty text or two double quotes match empty
  // cells; with fnMatchRegular it is a filter condition.
 public:
  // The next matching cell after StartCell ((-1, -1): from the first cell)
  // in Result, or (-1, -1).
  void Find(TPoint StartCell, const QString& S, TPoint& Result, TFindParameters FindParams);
  // The same on the wide cell texts; no update block, no scrolling step.
  void FindWide(TPoint StartCell, const QString& S, TPoint& Result, TFindParameters FindParams);
  void FindFirst(const QString& S, TFindParameters FindParams, TPoint& Result);
  // Continues after SearchCell with the last search's text and parameters.
  void FindNext(TPoint& Result);
  // The first match and the number of matches; fnAutoGoto goes to First and
  // is dropped from the stored parameters.
  void FindAll(const QString& S, TFindParameters FindParams, TPoint& First, int& Count);
  // Every occurrence of OrigStr in every matching cell replaced by NewStr,
  // with the find's case rule (outside tags with fnIgnoreHTMLTags); the
  // number of cells whose text changed.
  int Replace(const QString& OrigStr, const QString& NewStr, TFindParameters FindParams);
  // The first data row whose column Columns[i] passes condition i (built
  // from SearchTypes[i], case-sensitive by CaseSensitive[i]) for every i, or
  // -1; raises when the arrays differ in size.
  int FindMulti(const QStringList& Conditions, const std::vector<int>& Columns,
                const std::vector<TFindMultiType>& SearchTypes, const std::vector<bool>& CaseSensitive,
                bool IgnoreHTML, bool AutoGoto);
  // The next such row after SearchCell.Y, or -1 (SearchCell kept).
  int FindMultiNext();
  // The first row whose lookup-column text (plain, upper-cased) starts with
  // S, which the caller passes upper-cased; -1 when none.
  int Search(const QString& S);

  TPoint SearchCell{-1, -1};
  int FindCol = 0;
  int FindRow = 0;
  bool FindBusy = false;
  TFindParameters FindParams() const { return FFindParams; }

 private:
  void FindCore(TPoint StartCell, const QString& S, TPoint& Result, TFindParameters FindParams, bool Wide);
  bool FindCellMatches(int ACol, int ARow, bool Wide);
  void FindGotoCell(int ACol, int ARow);
  void FindScrollStep();
  bool FindMultiRowMatches(int ARow);
  int FindMultiFrom(int ARow);
  TFindParameters FFindParams;
  QString SearchCache;
  QString SearchCacheWide;
  QStringList FMultiConditions;
  std::vector<int> FMultiColumns;
  std::vector<bool> FMultiCase;
  bool FIgnoreHTMLMulti = false;
};
