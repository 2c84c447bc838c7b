#pragma once
// Settings objects of the string grid that other parts of the grid read:
// the floating footer and its panel, the search panel, print and HTML
// settings, sorting, filters and their drop-downs, grouping, drag and drop,
// modified-row marks, drag scrolling, hidden-row records, balloons, hover
// buttons and column sizes. Each is owned by its grid (created by the grid's
// constructor); Assign copies the subset each object documents and never
// notifies.

#include <QString>
#include <functional>
#include <memory>

#include "platform/rtl/Collections.h"
#include "platform/rtl/Persistent.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/BalloonTip.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/Printers.h"

#include "grid/model/BaseGrid.h"
#include "grid/model/KitGridLists.h"
#include "grid/model/KitGridTypes.h"

class TKitStringGrid;

// ---------------------------------------------------------------------------
// Floating footer

enum TFooterStyle { fsFixedLastRow, fsColumnPreview, fsCustomPreview, fsCustomPaint };
TF_ENUM_NAMES(TFooterStyle, fsFixedLastRow, fsColumnPreview, fsCustomPreview, fsCustomPaint)

using TCalcFooterEvent = std::function<void(TObject* Sender, int ACol, int ARow, QString& Value)>;

// The strip docked under the cells. Its painting and mouse handling come
// with the footer's own code; here it is the panel the grid owns.
class TFooterPanel : public TCustomPanel {
 public:
  TF_DECLARE_MESSAGES(TFooterPanel)
  explicit TFooterPanel(TKitStringGrid* AGrid);
  TKitStringGrid* Grid() const { return FGrid; }
  // The footer cell under a point: the row is the grid's last row; the
  // column is found by walking the fixed and then the scrolled columns.
  void MouseToCell(int X, int Y, int& ACol, int& ARow) const;
  // The painted width: the fixed columns and the columns from the grid's
  // left column to the last.
  int PaintedWidth() const;
  // The footer column at X, -1 beyond the last column.
  int ColumnAt(int X) const;

  // The panel's own balloon tooltip over its client area, made once while
  // the grid's balloons are on (titled "ToolTipText" with icon 3, with the
  // grid's delays and transparency); BalloonDone takes it away.
  void BalloonInit();
  void BalloonDone();
  TBalloonTip* BalloonTip() const { return FHToolTip.get(); }
  // The footer cell (base cell) of the balloon last asked for; (-1, -1)
  // when none, or after the mouse reached another cell.
  TPoint LastBalloonPos() const { return FLastBalloonPos; }

 protected:
  // The panel takes the footer's height (0 while hidden) and the grid's
  // OnCreatedFloatingFooter fires; with the grid's balloons on the panel's
  // balloon is made.
  void CreateWnd() override;
  // The balloon goes with the window.
  void DestroyWnd() override;
  // Paints the footer in its style (KitGridFooter.cpp).
  void Paint() override;
  // After the framework's handling: the grid's OnClick and ClickCell for
  // the footer cell.
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // With ShowHint, moving to another column cancels the hint shown; moving
  // to another cell than the balloon's takes the balloon away.
  void MouseMove(TShiftState Shift, int X, int Y) override;
  // The hint of the footer cell under the cursor (the grid's OnGridHint),
  // shown only with the footer's ShowHint and over a column.
  void CMHintShow(TMessage& Message);
  void CMMouseLeave(TMessage& Message);

 private:
  void PaintFixedLastRow(TCanvas* C, int W);
  void PaintColumnPreview(TCanvas* C, int W);
  void PaintCustomPreview(TCanvas* C, int W);
  // A sunken frame around 0..W of the panel.
  void PaintSunkenFrame(TCanvas* C, int W);
  // The balloon's text request: the footer cell under the mouse.
  QString BalloonNeedText();

  TKitStringGrid* FGrid;
  QString FToolTipBuffer;
  int FLastHintX = -1;
  std::unique_ptr<TBalloonTip> FHToolTip;
  bool FBalloonInit = false;
  TPoint FLastBalloonPos{-1, -1};
};

class TFloatingFooter : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TFloatingFooter)
  explicit TFloatingFooter(TKitStringGrid* AGrid);
  // CalculateHiddenRows, Color, Column, CustomTemplate, FooterStyle,
  // Visible (through its setter) and ShowHint; other sources are ignored.
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override;

  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor Value);
  bool CalculateHiddenRows() const { return FCalculateHiddenRows; }
  void SetCalculateHiddenRows(bool Value) { FCalculateHiddenRows = Value; }
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  int Column() const { return FColumn; }
  void SetColumn(int Value);
  const QString& CustomTemplate() const { return FCustomTemplate; }
  void SetCustomTemplate(const QString& Value);
  TFooterStyle FooterStyle() const { return FFooterStyle; }
  void SetFooterStyle(TFooterStyle Value);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  TCalcFooterEvent OnCalcFooter;

  // Public, not stored.
  int Height() const { return FHeight; }
  void SetHeight(int Value);
  bool EnableCalculation() const { return FEnableCalculation; }
  void SetEnableCalculation(bool Value) { FEnableCalculation = Value; }
  // True while the footer has added a row to the grid.
  bool DidInc() const { return FDidInc; }

  // The calculation type of footer column c: that of the cell properties of
  // (c, RowCount - 1), acNONE without them.
  TColumnCalcType GetColumnCalc(int c) const;
  void SetColumnCalc(int c, TColumnCalcType Value);
  // Repaints the footer panel.
  void Invalidate();

 private:
  // Adds or removes the row the preview styles need.
  void UpdateAddedRow();

  TKitStringGrid* FGrid;
  TColor FBorderColor = clNone;
  bool FCalculateHiddenRows = true;
  TColor FColor = clBtnFace;
  int FColumn = 0;
  QString FCustomTemplate;
  TFooterStyle FFooterStyle = fsFixedLastRow;
  bool FShowHint = false;
  bool FVisible = false;
  int FHeight = 0;
  bool FEnableCalculation = true;
  bool FDidInc = false;
};

// ---------------------------------------------------------------------------
// Search panel: the bar of the search footer (KitGridSearchControls.cpp). It
// creates its edit, its four buttons (find next, find previous, close,
// highlight), its match-case box and its result label; InitPanel lays them
// out when the window is created, and the grid's UpdateSearchFooter applies
// the SearchFooter settings to them. The controls' clicks and the edit's
// changes come out as the panel's events, which the grid wires to its
// search handlers.

class TKitGridButton;
class TKitCheckBox;
class TRetEdit;
class TLabel;

class TSearchPanel : public TCustomPanel {
 public:
  explicit TSearchPanel(TKitStringGrid* AGrid);
  ~TSearchPanel() override;
  TKitStringGrid* Grid() const { return FGrid; }
  TColor ColorTo() const { return FColorTo; }
  // Stores and repaints.
  void SetColorTo(TColor Value);

  // Called when the window is created; the layout of the bar, then the
  // grid's settings (UpdateSearchFooter) and OnCreatedSearchFooter.
  virtual void InitPanel();

  TRetEdit* Edit() const { return FEdit; }
  TKitGridButton* ForwardButton() const { return FForwardButton; }
  TKitGridButton* BackwardButton() const { return FBackwardButton; }
  TKitGridButton* ExitButton() const { return FExitButton; }
  TKitGridButton* HiliteButton() const { return FHiliteButton; }
  TKitCheckBox* MatchCaseBox() const { return FMatchCase; }
  TLabel* ResultLabel() const { return FResultLabel; }

  // The state of the bar the cell painter reads: the text of its search
  // edit, its highlight button held down, its match-case box ticked.
  QString EditText() const;
  void SetEditText(const QString& Value);
  bool HighLightDown() const;
  void SetHighLightDown(bool Value);
  bool MatchCase() const;
  void SetMatchCase(bool Value);

  TNotifyEvent OnEditChange;
  TNotifyEvent OnForwardClick;
  TNotifyEvent OnBackwardClick;
  TNotifyEvent OnExitClick;
  TNotifyEvent OnHighLightClick;
  TNotifyEvent OnMatchCaseClick;

 protected:
  void CreateWnd() override;
  // The panel's ground: Color, or the stepped gradient from Color to
  // ColorTo, with a line in the grid's line colour along the top.
  void Paint() override;

 private:
  // A text change enables the find and highlight buttons exactly when
  // there is text, then tells OnEditChange.
  void EditChanged();

  TKitStringGrid* FGrid;
  TColor FColorTo = clNone;
  TRetEdit* FEdit = nullptr;  // the controls are owned by the panel as components
  TKitGridButton* FForwardButton = nullptr;
  TKitGridButton* FBackwardButton = nullptr;
  TKitGridButton* FExitButton = nullptr;
  TKitGridButton* FHiliteButton = nullptr;
  TLabel* FResultLabel = nullptr;
  TKitCheckBox* FMatchCase = nullptr;
};

// ---------------------------------------------------------------------------
// Print settings

enum class TPrintPosition { ppNone, ppTopLeft, ppTopRight, ppTopCenter, ppBottomLeft, ppBottomRight, ppBottomCenter };
TF_ENUM_NAMES(TPrintPosition, ppNone, ppTopLeft, ppTopRight, ppTopCenter, ppBottomLeft, ppBottomRight, ppBottomCenter)

// Scoped: the framework's progress bar has values of the same names.
enum class TPrintBorders {
  pbNoborder, pbSingle, pbDouble, pbVertical, pbHorizontal, pbAround, pbAroundVertical, pbAroundHorizontal, pbCustom
};
TF_ENUM_NAMES(TPrintBorders, pbNoborder, pbSingle, pbDouble, pbVertical, pbHorizontal, pbAround, pbAroundVertical,
              pbAroundHorizontal, pbCustom)

enum TFitToPage { fpNever, fpGrow, fpShrink, fpAlways, fpCustom };
TF_ENUM_NAMES(TFitToPage, fpNever, fpGrow, fpShrink, fpAlways, fpCustom)

class TPrintSettings : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TPrintSettings)
  TPrintSettings();
  ~TPrintSettings() override;
  // Only from another TPrintSettings (anything else raises the invalid-cast
  // error): every published property and PrintComments; not
  // FixedCellsAlways, ScaleHeader and ScaleFooter.
  void Assign(TPersistent* Source) override;

  int FooterSize() const { return FFooterSize; }
  void SetFooterSize(int Value) { FFooterSize = Value; }
  int HeaderSize() const { return FHeaderSize; }
  void SetHeaderSize(int Value) { FHeaderSize = Value; }
  TPrintPosition Time() const { return FTime; }
  void SetTime(TPrintPosition Value) { FTime = Value; }
  TPrintPosition Date() const { return FDate; }
  void SetDate(TPrintPosition Value) { FDate = Value; }
  const QString& DateFormat() const { return FDateFormat; }
  void SetDateFormat(const QString& Value) { FDateFormat = Value; }
  TPrintPosition PageNr() const { return FPageNr; }
  void SetPageNr(TPrintPosition Value) { FPageNr = Value; }
  TPrintPosition Title() const { return FTitle; }
  void SetTitle(TPrintPosition Value) { FTitle = Value; }
  const QString& TitleText() const { return FTitleText; }
  void SetTitleText(const QString& Value) { FTitleText = Value; }
  TStringList* TitleLines() const { return FTitleLines.get(); }
  void SetTitleLines(TStrings* Value) { FTitleLines->Assign(Value); }
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  TFont* FixedFont() const { return FFixedFont.get(); }
  void SetFixedFont(TFont* Value) { FFixedFont->Assign(Value); }
  TFont* HeaderFont() const { return FHeaderFont.get(); }
  void SetHeaderFont(TFont* Value) { FHeaderFont->Assign(Value); }
  TFont* FooterFont() const { return FFooterFont.get(); }
  void SetFooterFont(TFont* Value) { FFooterFont->Assign(Value); }
  TPrintBorders Borders() const { return FBorders; }
  void SetBorders(TPrintBorders Value) { FBorders = Value; }
  TPenStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TPenStyle Value) { FBorderStyle = Value; }
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor Value) { FBorderColor = Value; }
  bool Centered() const { return FCentered; }
  void SetCentered(bool Value) { FCentered = Value; }
  bool RepeatFixedRows() const { return FRepeatFixedRows; }
  void SetRepeatFixedRows(bool Value) { FRepeatFixedRows = Value; }
  bool RepeatFixedCols() const { return FRepeatFixedCols; }
  void SetRepeatFixedCols(bool Value) { FRepeatFixedCols = Value; }
  int LeftSize() const { return FLeftSize; }
  void SetLeftSize(int Value) { FLeftSize = Value; }
  int RightSize() const { return FRightSize; }
  void SetRightSize(int Value) { FRightSize = Value; }
  int ColumnSpacing() const { return FColumnSpacing; }
  void SetColumnSpacing(int Value) { FColumnSpacing = Value; }
  int RowSpacing() const { return FRowSpacing; }
  void SetRowSpacing(int Value) { FRowSpacing = Value; }
  int TitleSpacing() const { return FTitleSpacing; }
  void SetTitleSpacing(int Value) { FTitleSpacing = Value; }
  TPrinterOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TPrinterOrientation Value) { FOrientation = Value; }
  const QString& PagePrefix() const { return FPagePrefix; }
  void SetPagePrefix(const QString& Value) { FPagePrefix = Value; }
  const QString& PageSuffix() const { return FPageSuffix; }
  void SetPageSuffix(const QString& Value) { FPageSuffix = Value; }
  int PageNumberOffset() const { return FPageNumberOffset; }
  void SetPageNumberOffset(int Value) { FPageNumberOffset = Value; }
  int MaxPagesOffset() const { return FMaxPagesOffset; }
  void SetMaxPagesOffset(int Value) { FMaxPagesOffset = Value; }
  int FixedWidth() const { return FFixedWidth; }
  void SetFixedWidth(int Value) { FFixedWidth = Value; }
  int FixedHeight() const { return FFixedHeight; }
  void SetFixedHeight(int Value) { FFixedHeight = Value; }
  bool UseFixedHeight() const { return FUseFixedHeight; }
  void SetUseFixedHeight(bool Value) { FUseFixedHeight = Value; }
  bool UseFixedWidth() const { return FUseFixedWidth; }
  void SetUseFixedWidth(bool Value) { FUseFixedWidth = Value; }
  TFitToPage FitToPage() const { return FFitToPage; }
  void SetFitToPage(TFitToPage Value) { FFitToPage = Value; }
  const QString& JobName() const { return FJobName; }
  void SetJobName(const QString& Value) { FJobName = Value; }
  const QString& PageNumSep() const { return FPageNumSep; }
  void SetPageNumSep(const QString& Value) { FPageNumSep = Value; }
  bool NoAutoSize() const { return FNoAutoSize; }
  void SetNoAutoSize(bool Value) { FNoAutoSize = Value; }
  bool NoAutoSizeRow() const { return FNoAutoSizeRow; }
  void SetNoAutoSizeRow(bool Value) { FNoAutoSizeRow = Value; }
  bool PrintGraphics() const { return FPrintGraphics; }
  void SetPrintGraphics(bool Value) { FPrintGraphics = Value; }
  bool UseDisplayFont() const { return FUseDisplayFont; }
  void SetUseDisplayFont(bool Value) { FUseDisplayFont = Value; }
  bool UseDefaultOrientation() const { return FUseDefaultOrientation; }
  void SetUseDefaultOrientation(bool Value) { FUseDefaultOrientation = Value; }
  // Public, not streamed.
  bool FixedCellsAlways() const { return FFixedCellsAlways; }
  void SetFixedCellsAlways(bool Value) { FFixedCellsAlways = Value; }
  bool PrintComments() const { return FPrintComments; }
  void SetPrintComments(bool Value) { FPrintComments = Value; }
  bool ScaleHeader() const { return FScaleHeader; }
  void SetScaleHeader(bool Value) { FScaleHeader = Value; }
  bool ScaleFooter() const { return FScaleFooter; }
  void SetScaleFooter(bool Value) { FScaleFooter = Value; }

 private:
  int FFooterSize = 0;
  int FHeaderSize = 0;
  TPrintPosition FTime = TPrintPosition::ppNone;
  TPrintPosition FDate = TPrintPosition::ppNone;
  QString FDateFormat = QStringLiteral("dd/mm/yyyy");
  TPrintPosition FPageNr = TPrintPosition::ppNone;
  TPrintPosition FTitle = TPrintPosition::ppNone;
  QString FTitleText;
  std::unique_ptr<TStringList> FTitleLines;
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TFont> FFixedFont;
  std::unique_ptr<TFont> FHeaderFont;
  std::unique_ptr<TFont> FFooterFont;
  TPrintBorders FBorders = TPrintBorders::pbSingle;
  TPenStyle FBorderStyle = psSolid;
  TColor FBorderColor = clBlack;
  bool FCentered = true;
  bool FRepeatFixedRows = false;
  bool FRepeatFixedCols = false;
  int FLeftSize = 0;
  int FRightSize = 0;
  int FColumnSpacing = 0;
  int FRowSpacing = 0;
  int FTitleSpacing = 0;
  TPrinterOrientation FOrientation = poPortrait;
  QString FPagePrefix;
  QString FPageSuffix;
  int FPageNumberOffset = 0;
  int FMaxPagesOffset = 0;
  int FFixedWidth = 0;
  int FFixedHeight = 0;
  bool FUseFixedHeight = false;
  bool FUseFixedWidth = false;
  TFitToPage FFitToPage = fpNever;
  QString FJobName;
  QString FPageNumSep = QStringLiteral("/");
  bool FNoAutoSize = false;
  bool FNoAutoSizeRow = false;
  bool FPrintGraphics = false;
  bool FUseDisplayFont = true;
  bool FUseDefaultOrientation = false;
  bool FFixedCellsAlways = false;
  bool FPrintComments = true;
  bool FScaleHeader = true;
  bool FScaleFooter = true;
};

// ---------------------------------------------------------------------------
// HTML settings

class THTMLSettings : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(THTMLSettings)
  THTMLSettings();
  ~THTMLSettings() override;
  // From another THTMLSettings: every property but ExportImages and
  // ColWidths.
  void Assign(TPersistent* Source) override;

  bool AutoPreview() const { return FAutoPreview; }
  void SetAutoPreview(bool Value) { FAutoPreview = Value; }
  int BorderSize() const { return FBorderSize; }
  void SetBorderSize(int Value) { FBorderSize = Value; }
  int CellSpacing() const { return FCellSpacing; }
  void SetCellSpacing(int Value) { FCellSpacing = Value; }
  int CellPadding() const { return FCellPadding; }
  void SetCellPadding(int Value) { FCellPadding = Value; }
  bool ConvertSpecialChars() const { return FConvertSpecialChars; }
  void SetConvertSpecialChars(bool Value) { FConvertSpecialChars = Value; }
  bool ExportImages() const { return FExportImages; }
  void SetExportImages(bool Value) { FExportImages = Value; }
  const QString& FooterFile() const { return FFooterFile; }
  void SetFooterFile(const QString& Value) { FFooterFile = Value; }
  const QString& FooterText() const { return FFooterText; }
  void SetFooterText(const QString& Value) { FFooterText = Value; }
  const QString& HeaderFile() const { return FHeaderFile; }
  void SetHeaderFile(const QString& Value) { FHeaderFile = Value; }
  const QString& HeaderText() const { return FHeaderText; }
  void SetHeaderText(const QString& Value) { FHeaderText = Value; }
  const QString& ImageFolder() const { return FImageFolder; }
  void SetImageFolder(const QString& Value) { FImageFolder = Value; }
  const QString& ImageBaseName() const { return FImageBaseName; }
  void SetImageBaseName(const QString& Value) { FImageBaseName = Value; }
  bool NonBreakingText() const { return FNonBreakingText; }
  void SetNonBreakingText(bool Value) { FNonBreakingText = Value; }
  const QString& PrefixTag() const { return FPrefixTag; }
  void SetPrefixTag(const QString& Value) { FPrefixTag = Value; }
  bool SaveColor() const { return FSaveColor; }
  void SetSaveColor(bool Value) { FSaveColor = Value; }
  bool SaveFonts() const { return FSaveFonts; }
  void SetSaveFonts(bool Value) { FSaveFonts = Value; }
  const QString& SuffixTag() const { return FSuffixTag; }
  void SetSuffixTag(const QString& Value) { FSuffixTag = Value; }
  const QString& Summary() const { return FSummary; }
  void SetSummary(const QString& Value) { FSummary = Value; }
  const QString& TableStyle() const { return FTableStyle; }
  void SetTableStyle(const QString& Value) { FTableStyle = Value; }
  int Width() const { return FWidth; }
  void SetWidth(int Value) { FWidth = Value; }
  bool XHTML() const { return FXHTML; }
  void SetXHTML(bool Value) { FXHTML = Value; }
  // Pixel widths of the exported columns, by position in the rectangle.
  TIntList* ColWidths() const { return FColWidths.get(); }

 private:
  bool FAutoPreview = false;
  int FBorderSize = 1;
  int FCellSpacing = 0;
  int FCellPadding = 0;
  bool FConvertSpecialChars = false;
  bool FExportImages = true;
  QString FFooterFile;
  QString FFooterText;
  QString FHeaderFile;
  QString FHeaderText;
  QString FImageFolder = QStringLiteral("images");
  QString FImageBaseName = QStringLiteral("img");
  bool FNonBreakingText = false;
  QString FPrefixTag;
  bool FSaveColor = true;
  bool FSaveFonts = true;
  QString FSuffixTag;
  QString FSummary;
  QString FTableStyle;
  int FWidth = 100;
  bool FXHTML = false;
  std::unique_ptr<TIntList> FColWidths;
};

// ---------------------------------------------------------------------------
// Sort settings

enum TSortDirection { sdAscending, sdDescending };
TF_ENUM_NAMES(TSortDirection, sdAscending, sdDescending)
enum TIndexSortKey { ikShift, ikCtrl };
TF_ENUM_NAMES(TIndexSortKey, ikShift, ikCtrl)
enum TSortBlankPosition { blFirst, blLast };
TF_ENUM_NAMES(TSortBlankPosition, blFirst, blLast)

class TSortSettings : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TSortSettings)
  explicit TSortSettings(TKitStringGrid* AOwner);
  ~TSortSettings() override;
  // From another TSortSettings: every property but IgnoreCase and
  // SortOnVirtualCells, without repainting.
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override;

  int Column() const { return FColumn; }
  void SetColumn(int Value);
  TSortDirection Direction() const { return FDirection; }
  void SetDirection(TSortDirection Value) { FDirection = Value; }
  bool Show() const { return FShow; }
  void SetShow(bool Value);
  bool IndexShow() const { return FIndexShow; }
  void SetIndexShow(bool Value) { FIndexShow = Value; }
  TColor IndexColor() const { return FIndexColor; }
  void SetIndexColor(TColor Value) { FIndexColor = Value; }
  TIndexSortKey IndexSortKey() const { return FIndexSortKey; }
  void SetIndexSortKey(TIndexSortKey Value) { FIndexSortKey = Value; }
  bool Full() const { return FFull; }
  void SetFull(bool Value) { FFull = Value; }
  bool SingleColumn() const { return FSingleColumn; }
  void SetSingleColumn(bool Value) { FSingleColumn = Value; }
  bool IgnoreBlanks() const { return FIgnoreBlanks; }
  void SetIgnoreBlanks(bool Value) { FIgnoreBlanks = Value; }
  TSortBlankPosition BlankPos() const { return FBlankPos; }
  void SetBlankPos(TSortBlankPosition Value) { FBlankPos = Value; }
  bool AutoFormat() const { return FAutoFormat; }
  void SetAutoFormat(bool Value) { FAutoFormat = Value; }
  TSortStyle DefaultFormat() const { return FDefaultFormat; }
  void SetDefaultFormat(TSortStyle Value) { FDefaultFormat = Value; }
  bool IgnoreCase() const { return FIgnoreCase; }
  void SetIgnoreCase(bool Value) { FIgnoreCase = Value; }
  bool SortOnVirtualCells() const { return FSortOnVirtualCells; }
  void SetSortOnVirtualCells(bool Value) { FSortOnVirtualCells = Value; }
  bool NormalCellsOnly() const { return FNormalCellsOnly; }
  void SetNormalCellsOnly(bool Value) { FNormalCellsOnly = Value; }
  bool FixedCols() const { return FFixedCols; }
  void SetFixedCols(bool Value) { FFixedCols = Value; }
  TSortDirection InitSortDirection() const { return FInitSortDirection; }
  void SetInitSortDirection(TSortDirection Value) { FInitSortDirection = Value; }
  bool UndoSort() const { return FUndoSort; }
  void SetUndoSort(bool Value) { FUndoSort = Value; }
  bool AutoColumnMerge() const { return FAutoColumnMerge; }
  void SetAutoColumnMerge(bool Value) { FAutoColumnMerge = Value; }
  bool AutoSortForGrouping() const { return FAutoSortForGrouping; }
  void SetAutoSortForGrouping(bool Value) { FAutoSortForGrouping = Value; }
  int Row() const { return FRow; }
  // Raises Exception "Sort row should be smaller than number of fixed rows"
  // when Value exceeds the grid's FixedRows.
  void SetRow(int Value);
  TBitmap* UpGlyph() const { return FUpGlyph.get(); }
  void SetUpGlyph(TBitmap* Value) { FUpGlyph->Assign(Value); }
  TBitmap* DownGlyph() const { return FDownGlyph.get(); }
  void SetDownGlyph(TBitmap* Value) { FDownGlyph->Assign(Value); }
  TBitmap* IndexUpGlyph() const { return FIndexUpGlyph.get(); }
  void SetIndexUpGlyph(TBitmap* Value) { FIndexUpGlyph->Assign(Value); }
  TBitmap* IndexDownGlyph() const { return FIndexDownGlyph.get(); }
  void SetIndexDownGlyph(TBitmap* Value) { FIndexDownGlyph->Assign(Value); }
  TColor HeaderColor() const { return FHeaderColor; }
  void SetHeaderColor(TColor Value);
  TColor HeaderColorTo() const { return FHeaderColorTo; }
  void SetHeaderColorTo(TColor Value);
  TColor HeaderMirrorColor() const { return FHeaderMirrorColor; }
  void SetHeaderMirrorColor(TColor Value);
  TColor HeaderMirrorColorTo() const { return FHeaderMirrorColorTo; }
  void SetHeaderMirrorColorTo(TColor Value);

  // Flips Direction without repainting.
  void ToggleDirection() { FDirection = FDirection == sdAscending ? sdDescending : sdAscending; }
  // Column := -1, the grid's sort index list emptied, the header row
  // repainted.
  void Remove();
  // The one-line form: "u<col>" / "d<col>", or with IndexShow "i;" and the
  // index list ("i;u2;d0"). Loading sets Show, then sorts the grid by the
  // text: QSortIndexed for an index list, else QSort. An empty text changes
  // nothing; a non-empty text shorter than two characters raises Exception
  // "Invalid sort settings specifier". A column that is no number, or no
  // column of the grid, leaves the order as it was (grid/dataops/KitGridSort.cpp).
  QString SaveToString() const;
  void LoadFromString(const QString& Value);

 private:
  void SetHeaderColorField(TColor& Field, TColor Value);

  bool FAssigning = false;
  TKitStringGrid* FOwner;
  int FColumn = -1;
  TSortDirection FDirection = sdAscending;
  bool FShow = false;
  bool FIndexShow = false;
  TColor FIndexColor = 0xFFFF;
  TIndexSortKey FIndexSortKey = ikShift;
  bool FFull = true;
  bool FSingleColumn = false;
  bool FIgnoreBlanks = false;
  TSortBlankPosition FBlankPos = blFirst;
  bool FAutoFormat = true;
  TSortStyle FDefaultFormat = ssAutomatic;
  bool FIgnoreCase = false;
  bool FSortOnVirtualCells = true;
  bool FNormalCellsOnly = false;
  bool FFixedCols = false;
  TSortDirection FInitSortDirection = sdAscending;
  bool FUndoSort = false;
  bool FAutoColumnMerge = false;
  bool FAutoSortForGrouping = true;
  int FRow = 0;
  std::unique_ptr<TBitmap> FUpGlyph;
  std::unique_ptr<TBitmap> FDownGlyph;
  std::unique_ptr<TBitmap> FIndexUpGlyph;
  std::unique_ptr<TBitmap> FIndexDownGlyph;
  TColor FHeaderColor = clNone;
  TColor FHeaderColorTo = clNone;
  TColor FHeaderMirrorColor = clNone;
  TColor FHeaderMirrorColorTo = clNone;
};

// ---------------------------------------------------------------------------
// Filters

enum TFilterOperation { foSHORT, foNONE, foAND, foXOR, foOR };
TF_ENUM_NAMES(TFilterOperation, foSHORT, foNONE, foAND, foXOR, foOR)
enum TFilterCells { fcVirtual, fcNormal, fcStripHTML, fcCalculated, fcRow };
TF_ENUM_NAMES(TFilterCells, fcVirtual, fcNormal, fcStripHTML, fcCalculated, fcRow)
enum TFilterMethod { fmExpression, fmLiteral };
TF_ENUM_NAMES(TFilterMethod, fmExpression, fmLiteral)
enum TFilterType {
  ftStartsWith, ftEndsWith, ftContains, ftNotContains, ftEqual, ftNotEqual, ftLargerThan, ftSmallerThan, ftClear,
  ftNone
};
TF_ENUM_NAMES(TFilterType, ftStartsWith, ftEndsWith, ftContains, ftNotContains, ftEqual, ftNotEqual, ftLargerThan,
              ftSmallerThan, ftClear, ftNone)
enum TGridFilterType { ftHide, ftSuppress };
TF_ENUM_NAMES(TGridFilterType, ftHide, ftSuppress)
enum TFilterDropDownColumns { fdNormal, fdAll };
TF_ENUM_NAMES(TFilterDropDownColumns, fdNormal, fdAll)

class TFilterData : public TCollectionItem {
 public:
  TF_DECLARE_PUBLISHED(TFilterData)
  explicit TFilterData(TCollection* Collection);
  // Column, Condition, CaseSensitive, Data, Prefix, Suffix, Operation and
  // RemoveAccented.
  void Assign(TPersistent* Source) override;
  // Sets Condition from Value by FilterType (Value quoted when it holds a
  // blank).
  void BuildCondition(const QString& Value);

  int16_t Column() const { return FColumn; }
  void SetColumn(int16_t Value) { FColumn = Value; Notify(); }
  const QString& Condition() const { return FCondition; }
  void SetCondition(const QString& Value) { FCondition = Value; Notify(); }
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value) { FCaseSensitive = Value; Notify(); }
  const QString& Suffix() const { return FSuffix; }
  void SetSuffix(const QString& Value) { FSuffix = Value; Notify(); }
  const QString& Prefix() const { return FPrefix; }
  void SetPrefix(const QString& Value) { FPrefix = Value; Notify(); }
  const QString& FriendlyName() const { return FFriendlyName; }
  void SetFriendlyName(const QString& Value) { FFriendlyName = Value; }
  TFilterOperation Operation() const { return FOperation; }
  void SetOperation(TFilterOperation Value) { FOperation = Value; Notify(); }
  TFilterCells Data() const { return FData; }
  void SetData(TFilterCells Value) { FData = Value; Notify(); }
  TFilterMethod Method() const { return FMethod; }
  void SetMethod(TFilterMethod Value) { FMethod = Value; Notify(); }
  TFilterType FilterType() const { return FFilterType; }
  void SetFilterType(TFilterType Value) { FFilterType = Value; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; Notify(); }
  bool RemoveAccented() const { return FRemoveAccented; }
  void SetRemoveAccented(bool Value) { FRemoveAccented = Value; Notify(); }

 private:
  void Notify() {
    if (!FAssigning) Changed(false);
  }

  bool FAssigning = false;
  int16_t FColumn = 0;
  QString FCondition;
  bool FCaseSensitive = true;
  QString FSuffix;
  QString FPrefix;
  QString FFriendlyName;
  TFilterOperation FOperation = foNONE;
  TFilterCells FData = fcVirtual;
  TFilterMethod FMethod = fmExpression;
  TFilterType FFilterType = ftStartsWith;
  bool FEnabled = true;
  bool FRemoveAccented = false;
};

class TFilter : public TCollection {
 public:
  TF_DECLARE_PUBLISHED(TFilter)
  explicit TFilter(TKitStringGrid* AOwner);

  // Appends an item: foNONE when it is the only one, foAND otherwise.
  TFilterData* Add();
  TFilterData* Add(int16_t AColumn, const QString& ACondition, TFilterOperation AOperation);
  // Appends a new item at the end; the index is not used.
  TFilterData* Insert(int Index);
  TFilterData* Items(int Index) const { return static_cast<TFilterData*>(TCollection::Items(Index)); }
  void SetItems(int Index, TFilterData* Value) { TCollection::SetItems(Index, Value); }
  // The first item of the column; a new one (through Add) when there is none.
  TFilterData* GetColFilter(int Col);
  // Deletes every item of the column, then repaints its header cell.
  void RemoveColumnFilter(int Col);
  bool HasFilter(int Col) const;
  bool HasOtherFilter(int Col) const;
  // The FilterType of the column's first item; ftContains without one.
  TFilterType HasFilterType(int Col) const;
  TPersistent* GetOwner() const override;
  TKitStringGrid* Grid() const { return FOwner; }

 protected:
  // Any change of an item repaints row 0 of the grid.
  void Update(TCollectionItem* Item) override;

 private:
  TKitStringGrid* FOwner;
};

class TFilterDropDown : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TFilterDropDown)
  TFilterDropDown();
  ~TFilterDropDown() override;
  // Every published property but AutoSize and Sorted.
  void Assign(TPersistent* Source) override;

  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value) { FAutoSize = Value; }
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value) { FCaseSensitive = Value; }
  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  bool ColumnWidth() const { return FColumnWidth; }
  void SetColumnWidth(bool Value) { FColumnWidth = Value; }
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value);
  TBitmap* GlyphActive() const { return FGlyphActive.get(); }
  void SetGlyphActive(TBitmap* Value);
  int Height() const { return FHeight; }
  void SetHeight(int Value) { FHeight = Value; }
  bool IgnoreHTML() const { return FIgnoreHTML; }
  void SetIgnoreHTML(bool Value) { FIgnoreHTML = Value; }
  TFilterMethod Method() const { return FMethod; }
  void SetMethod(TFilterMethod Value) { FMethod = Value; }
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value) { FSorted = Value; }
  const QString& TextChecked() const { return FTextChecked; }
  void SetTextChecked(const QString& Value) { FTextChecked = Value; }
  const QString& TextUnChecked() const { return FTextUnChecked; }
  void SetTextUnChecked(const QString& Value) { FTextUnChecked = Value; }
  int Width() const { return FWidth; }
  void SetWidth(int Value) { FWidth = Value; }
  TNotifyEvent OnChange;

 private:
  bool FAssigning = false;
  bool FAutoSize = false;
  int FHeight = 150;
  int FWidth = 150;
  TColor FColor = clWindow;
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TBitmap> FGlyph;
  std::unique_ptr<TBitmap> FGlyphActive;
  bool FColumnWidth = false;
  QString FTextChecked;
  QString FTextUnChecked;
  bool FCaseSensitive = false;
  bool FSorted = true;
  bool FIgnoreHTML = true;
  TFilterMethod FMethod = fmExpression;
};

class TFilterEdit : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TFilterEdit)
  explicit TFilterEdit(TKitStringGrid* AOwner);
  ~TFilterEdit() override;
  // All seven properties.
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override;

  bool AutoHotKey() const { return FAutoHotKey; }
  void SetAutoHotKey(bool Value) { FAutoHotKey = Value; }
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value) { FCaseSensitive = Value; }
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TFilterDropDownColumns Columns() const { return FColumns; }
  void SetColumns(TFilterDropDownColumns Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; }
  int Row() const { return FRow; }
  void SetRow(int Value);
  TStringList* TypeNames() const { return FTypeNames.get(); }
  void SetTypeNames(TStrings* Value) { FTypeNames->Assign(Value); }

 private:
  void Repaint();

  bool FAssigning = false;
  TKitStringGrid* FOwner;
  bool FEnabled = false;
  int FRow = 0;
  TColor FColor = 0xFFFFFF;
  TFilterDropDownColumns FColumns = fdNormal;
  std::unique_ptr<TStringList> FTypeNames;
  bool FCaseSensitive = true;
  bool FAutoHotKey = false;
};

// ---------------------------------------------------------------------------
// Grouping, drag and drop, modified rows, drag scrolling, hidden rows

class TGrouping : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TGrouping)
  TGrouping() = default;
  // Everything but Summary, the line colours and the line widths.
  void Assign(TPersistent* Source) override;

  bool AutoSelectGroup() const { return FAutoSelectGroup; }
  void SetAutoSelectGroup(bool Value) { FAutoSelectGroup = Value; }
  bool AutoCheckGroup() const { return FAutoCheckGroup; }
  void SetAutoCheckGroup(bool Value) { FAutoCheckGroup = Value; }
  const QString& GroupCountFormat() const { return FGroupCountFormat; }
  void SetGroupCountFormat(const QString& Value) { FGroupCountFormat = Value; }
  TColor HeaderColor() const { return FHeaderColor; }
  void SetHeaderColor(TColor Value) { FHeaderColor = Value; }
  TColor HeaderColorTo() const { return FHeaderColorTo; }
  void SetHeaderColorTo(TColor Value) { FHeaderColorTo = Value; }
  TColor HeaderTextColor() const { return FHeaderTextColor; }
  void SetHeaderTextColor(TColor Value) { FHeaderTextColor = Value; }
  bool HeaderUnderline() const { return FHeaderUnderline; }
  void SetHeaderUnderline(bool Value) { FHeaderUnderline = Value; }
  TColor HeaderLineColor() const { return FHeaderLineColor; }
  void SetHeaderLineColor(TColor Value) { FHeaderLineColor = Value; }
  int HeaderLineWidth() const { return FHeaderLineWidth; }
  void SetHeaderLineWidth(int Value) { FHeaderLineWidth = Value; }
  bool MergeHeader() const { return FMergeHeader; }
  void SetMergeHeader(bool Value) { FMergeHeader = Value; }
  bool MergeSummary() const { return FMergeSummary; }
  void SetMergeSummary(bool Value) { FMergeSummary = Value; }
  bool ShowGroupCount() const { return FShowGroupCount; }
  void SetShowGroupCount(bool Value) { FShowGroupCount = Value; }
  bool Summary() const { return FSummary; }
  void SetSummary(bool Value) { FSummary = Value; }
  TColor SummaryColor() const { return FSummaryColor; }
  void SetSummaryColor(TColor Value) { FSummaryColor = Value; }
  TColor SummaryColorTo() const { return FSummaryColorTo; }
  void SetSummaryColorTo(TColor Value) { FSummaryColorTo = Value; }
  TColor SummaryTextColor() const { return FSummaryTextColor; }
  void SetSummaryTextColor(TColor Value) { FSummaryTextColor = Value; }
  bool SummaryLine() const { return FSummaryLine; }
  void SetSummaryLine(bool Value) { FSummaryLine = Value; }
  TColor SummaryLineColor() const { return FSummaryLineColor; }
  void SetSummaryLineColor(TColor Value) { FSummaryLineColor = Value; }
  int SummaryLineWidth() const { return FSummaryLineWidth; }
  void SetSummaryLineWidth(int Value) { FSummaryLineWidth = Value; }

 private:
  bool FAutoSelectGroup = false;
  bool FAutoCheckGroup = false;
  QString FGroupCountFormat;
  TColor FHeaderColor = clNone;
  TColor FHeaderColorTo = clNone;
  TColor FHeaderTextColor = clNone;
  bool FHeaderUnderline = false;
  TColor FHeaderLineColor = 0xFF0000;
  int FHeaderLineWidth = 2;
  bool FMergeHeader = false;
  bool FMergeSummary = false;
  bool FShowGroupCount = false;
  bool FSummary = false;
  TColor FSummaryColor = clNone;
  TColor FSummaryColorTo = clNone;
  TColor FSummaryTextColor = clNone;
  bool FSummaryLine = false;
  TColor FSummaryLineColor = 0xFF0000;
  int FSummaryLineWidth = 2;
};

class TDragDropSettings : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TDragDropSettings)
  explicit TDragDropSettings(TKitStringGrid* AGrid);
  ~TDragDropSettings() override;
  // Every switch, OleColumnPicker included.
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override;

  bool ShowCells() const { return FShowCells; }
  void SetShowCells(bool Value) { FShowCells = Value; }
  bool OleAcceptFiles() const { return FOleAcceptFiles; }
  void SetOleAcceptFiles(bool Value) { FOleAcceptFiles = Value; }
  bool OleAcceptText() const { return FOleAcceptText; }
  void SetOleAcceptText(bool Value) { FOleAcceptText = Value; }
  bool OleAcceptURLs() const { return FOleAcceptURLs; }
  void SetOleAcceptURLs(bool Value) { FOleAcceptURLs = Value; }
  bool OleAppendRows() const { return FOleAppendRows; }
  void SetOleAppendRows(bool Value) { FOleAppendRows = Value; }
  bool OleColumnDragDrop() const { return FOleColumnDragDrop; }
  void SetOleColumnDragDrop(bool Value) { FOleColumnDragDrop = Value; }
  bool OleColumnReorder() const { return FOleColumnReorder; }
  void SetOleColumnReorder(bool Value) { FOleColumnReorder = Value; }
  bool OleColumnsOnly() const { return FOleColumnsOnly; }
  void SetOleColumnsOnly(bool Value) { FOleColumnsOnly = Value; }
  bool OleCopyAlways() const { return FOleCopyAlways; }
  void SetOleCopyAlways(bool Value) { FOleCopyAlways = Value; }
  bool OleDropTarget() const { return FOleDropTarget; }
  // On change and not at design time: registers or revokes the grid's drop
  // target (Registered tells whether the registration succeeded).
  void SetOleDropTarget(bool Value);
  bool OleDropSource() const { return FOleDropSource; }
  void SetOleDropSource(bool Value) { FOleDropSource = Value; }
  bool OleEntireRows() const { return FOleEntireRows; }
  void SetOleEntireRows(bool Value) { FOleEntireRows = Value; }
  bool OleInsertRows() const { return FOleInsertRows; }
  void SetOleInsertRows(bool Value) { FOleInsertRows = Value; }
  bool OleRemoveRows() const { return FOleRemoveRows; }
  void SetOleRemoveRows(bool Value) { FOleRemoveRows = Value; }
  bool OleDropRTF() const { return FOleDropRTF; }
  // Also switches the drag-and-drop framework's rich text on or off.
  void SetOleDropRTF(bool Value);
  // Public, not stored.
  bool OleColumnPicker() const { return FOleColumnPicker; }
  void SetOleColumnPicker(bool Value) { FOleColumnPicker = Value; }
  // Whether the grid's window is registered as a drop target (a grid
  // without a window yet is registered when it gets one).
  bool Registered() const;
  int FSourceY = 0;
  int FDeltaY = 0;

 private:
  bool FAssigning = false;
  TKitStringGrid* FGrid;
  bool FShowCells = true;
  bool FOleAcceptFiles = true;
  bool FOleAcceptText = true;
  bool FOleAcceptURLs = true;
  bool FOleAppendRows = false;
  bool FOleColumnDragDrop = false;
  bool FOleColumnReorder = false;
  bool FOleColumnsOnly = false;
  bool FOleCopyAlways = false;
  bool FOleDropTarget = false;
  bool FOleDropSource = false;
  bool FOleEntireRows = false;
  bool FOleInsertRows = false;
  bool FOleRemoveRows = false;
  bool FOleDropRTF = false;
  bool FOleColumnPicker = false;
  bool FRegistered = false;
};

class TShowModified : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TShowModified)
  TShowModified() = default;
  // Color and Enabled.
  void Assign(TPersistent* Source) override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; }
  TColor Color() const { return FColor; }
  // Stores and fires OnChange, also when unchanged.
  void SetColor(TColor Value);
  TNotifyEvent OnChange;

 private:
  bool FAssigning = false;
  bool FEnabled = false;
  TColor FColor = 0x00FFFF;
};

class TDragScrollDelays : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TDragScrollDelays)
  TDragScrollDelays() = default;
  void Assign(TPersistent* Source) override;
  int InitialDelay() const { return FInitialDelay; }
  void SetInitialDelay(int Value) { FInitialDelay = Value; }
  int RepeatDelay() const { return FRepeatDelay; }
  void SetRepeatDelay(int Value) { FRepeatDelay = Value; }

 private:
  int FInitialDelay = 1000;
  int FRepeatDelay = 250;
};

class TDragScrollMargins : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TDragScrollMargins)
  TDragScrollMargins() = default;
  void Assign(TPersistent* Source) override;
  int TopMargin() const { return FTopMargin; }
  void SetTopMargin(int Value) { FTopMargin = Value; }
  int BottomMargin() const { return FBottomMargin; }
  void SetBottomMargin(int Value) { FBottomMargin = Value; }
  int LeftMargin() const { return FLeftMargin; }
  void SetLeftMargin(int Value) { FLeftMargin = Value; }
  int RightMargin() const { return FRightMargin; }
  void SetRightMargin(int Value) { FRightMargin = Value; }

 private:
  int FTopMargin = 50;
  int FBottomMargin = 50;
  int FLeftMargin = 50;
  int FRightMargin = 50;
};

class TDragScrollOptions : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TDragScrollOptions)
  TDragScrollOptions();
  ~TDragScrollOptions() override;
  // Margins, delays and Active.
  void Assign(TPersistent* Source) override;
  bool Active() const { return FActive; }
  void SetActive(bool Value) { FActive = Value; }
  TDragScrollDelays* Delays() const { return FDelays.get(); }
  void SetDelays(TDragScrollDelays* Value) { FDelays->Assign(Value); }
  TDragScrollMargins* Margins() const { return FMargins.get(); }
  void SetMargins(TDragScrollMargins* Value) { FMargins->Assign(Value); }

 private:
  bool FActive = false;
  std::unique_ptr<TDragScrollDelays> FDelays;
  std::unique_ptr<TDragScrollMargins> FMargins;
};

// The record of one hidden row: its real index, its height before hiding,
// its node level and its cells (texts, with the cells' objects or property
// records as the list's objects).
class TGridItem : public TCollectionItem {
 public:
  TF_DECLARE_PUBLISHED(TGridItem)
  explicit TGridItem(TCollection* Collection);
  ~TGridItem() override;

  int Idx() const { return FIdx; }
  void SetIdx(int Value) { FIdx = Value; }
  int Height() const { return FHeight; }
  void SetHeight(int Value) { FHeight = Value; }
  int Level() const { return FLevel; }
  void SetLevel(int Value) { FLevel = Value; }
  TStringList* Items() const { return FItems.get(); }
  // The item holds the given list from now on and frees it when destroyed.
  void SetItems(std::unique_ptr<TStringList> Value) { FItems = std::move(Value); }
  // Made by a filter level (HideRowList), not by hiding rows directly.
  bool FilterRecord() const { return FFilterRecord; }
  void SetFilterRecord(bool Value) { FFilterRecord = Value; }

 private:
  int FIdx = 0;
  int FHeight = 0;
  int FLevel = 0;
  bool FFilterRecord = false;
  std::unique_ptr<TStringList> FItems;
};

// ---------------------------------------------------------------------------
// Balloons

class TBalloonSettings : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TBalloonSettings)
  TBalloonSettings() = default;
  // TextColor, BackgroundColor, the three delays, Enable and ShowCell; not
  // Transparency; OnEnableChange is not fired.
  void Assign(TPersistent* Source) override;

  int AutoHideDelay() const { return FAutoHideDelay; }
  void SetAutoHideDelay(int Value) { FAutoHideDelay = Value; }
  TColor BackgroundColor() const { return FBackgroundColor; }
  void SetBackgroundColor(TColor Value) { FBackgroundColor = Value; }
  bool Enable() const { return FEnable; }
  // On change: store and fire OnEnableChange.
  void SetEnable(bool Value);
  int InitialDelay() const { return FInitialDelay; }
  void SetInitialDelay(int Value) { FInitialDelay = Value; }
  int ReshowDelay() const { return FReshowDelay; }
  void SetReshowDelay(int Value) { FReshowDelay = Value; }
  bool ShowCell() const { return FShowCell; }
  void SetShowCell(bool Value) { FShowCell = Value; }
  TColor TextColor() const { return FTextColor; }
  void SetTextColor(TColor Value) { FTextColor = Value; }
  Byte Transparency() const { return FTransparency; }
  void SetTransparency(Byte Value) { FTransparency = Value; }
  TNotifyEvent OnEnableChange;

 private:
  bool FAssigning = false;
  int FAutoHideDelay = -1;
  TColor FBackgroundColor = clNone;
  bool FEnable = false;
  int FInitialDelay = -1;
  int FReshowDelay = -1;
  bool FShowCell = true;
  TColor FTextColor = clNone;
  Byte FTransparency = 0;
};

// ---------------------------------------------------------------------------
// Hover buttons

enum THoverButtonPosition {
  hbLeftFromColumnLeft, hbRightFromColumnLeft, hbLeftFromColumnRight, hbRightFromColumnRight
};
TF_ENUM_NAMES(THoverButtonPosition, hbLeftFromColumnLeft, hbRightFromColumnLeft, hbLeftFromColumnRight,
              hbRightFromColumnRight)
enum THoverRows { hrNormal, hrAll };
TF_ENUM_NAMES(THoverRows, hrNormal, hrAll)

class THoverButtonsCollectionItem : public TCollectionItem {
 public:
  TF_DECLARE_PUBLISHED(THoverButtonsCollectionItem)
  explicit THoverButtonsCollectionItem(TCollection* Collection);
  ~THoverButtonsCollectionItem() override;
  // Tag, Flat, Enabled, Caption, Hint, Picture and Width; not ImageIndex.
  void Assign(TPersistent* Source) override;

  const QString& Caption() const { return FCaption; }
  void SetCaption(const QString& Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  const QString& Hint() const { return FHint; }
  void SetHint(const QString& Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  TPicture* Picture() const { return FPicture.get(); }
  // Copies and notifies, changed or not.
  void SetPicture(TPicture* Value);
  int Tag() const { return FTag; }
  void SetTag(int Value);
  int Width() const { return FWidth; }
  void SetWidth(int Value);

 private:
  template <class T>
  void Store(T& Field, const T& Value) {
    if (Field == Value) return;
    Field = Value;
    if (!FAssigning) Changed(false);
  }

  bool FAssigning = false;
  QString FCaption;
  bool FEnabled = true;
  bool FFlat = false;
  QString FHint;
  int FImageIndex = -1;
  std::unique_ptr<TPicture> FPicture;
  int FTag = 0;
  int FWidth = 0;
};

class THoverButtonsCollection : public TOwnedCollection {
 public:
  TF_DECLARE_PUBLISHED(THoverButtonsCollection)
  explicit THoverButtonsCollection(TPersistent* AOwner);
  THoverButtonsCollectionItem* Add() { return static_cast<THoverButtonsCollectionItem*>(TCollection::Add()); }
  THoverButtonsCollectionItem* Insert(int Index) {
    return static_cast<THoverButtonsCollectionItem*>(TCollection::Insert(Index));
  }
  THoverButtonsCollectionItem* GetItems(int Index) const {
    return static_cast<THoverButtonsCollectionItem*>(TCollection::Items(Index));
  }
  void SetItems(int Index, THoverButtonsCollectionItem* Value) { TCollection::SetItems(Index, Value); }
  // Set by every change of an item.
  bool Updated = false;

 protected:
  void Update(TCollectionItem* Item) override;
};

class THoverButtons : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(THoverButtons)
  explicit THoverButtons(TPersistent* AOwner);
  ~THoverButtons() override;
  // Enabled, the buttons, Column, Position, Rows and MoveActiveRow.
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override { return FOwner; }

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; }
  THoverButtonsCollection* Buttons() const { return FButtons.get(); }
  void SetButtons(THoverButtonsCollection* Value) { FButtons->Assign(Value); }
  int Column() const { return FColumn; }
  void SetColumn(int Value) { FColumn = Value; }
  bool MoveActiveRow() const { return FMoveActiveRow; }
  void SetMoveActiveRow(bool Value) { FMoveActiveRow = Value; }
  THoverButtonPosition Position() const { return FPosition; }
  void SetPosition(THoverButtonPosition Value) { FPosition = Value; }
  THoverRows Rows() const { return FRows; }
  void SetRows(THoverRows Value) { FRows = Value; }

 private:
  TPersistent* FOwner;
  bool FEnabled = false;
  std::unique_ptr<THoverButtonsCollection> FButtons;
  int FColumn = 0;
  bool FMoveActiveRow = true;
  THoverButtonPosition FPosition = hbLeftFromColumnLeft;
  THoverRows FRows = hrNormal;
};
