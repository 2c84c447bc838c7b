#pragma once
// The framework grid: TCustomGrid (cell geometry, current cell and
// selection, scrolling, the paint loop, keyboard and mouse, the in-place
// editor protocol), TCustomDrawGrid/TDrawGrid (the events) and TStringGrid
// (texts and objects per cell, Rows/Cols views). Its parts with rules of
// their own (size table, selection with anchor, sparse store) are in
// GridsPrivate.h.
//
// Rules map
// - Widget: a custom-painted child window (TCustomControl) with the window
//   scroll bars of ScrollBars.h as non-client parts (WS_HSCROLL/WS_VSCROLL
//   per ScrollBars) and, for BorderStyle bsSingle, a sunken edge
//   (WS_EX_CLIENTEDGE; WS_BORDER when Ctl3D is off). Client coordinates
//   count from inside both.
// - Geometry: column c starts after the extents (width + line) of the
//   columns before it: the fixed ones from the left edge, then the
//   scrolled ones from LeftCol; the grid line follows its cell. The line
//   width is GridLineWidth with goVertLine (columns) / goHorzLine (rows),
//   else 0. A negative width (height) hides a column (row): no space, no
//   line. CellRect is the cell without its line, empty (0,0,0,0) for a cell
//   not in view (scrolled away, hidden, outside the grid); a partly shown
//   cell answers its whole rectangle. MouseCoord answers (-1, -1) parts
//   for points beyond the last cell; points on a line belong to the cell
//   before it. VisibleColCount counts the scrolled columns fully in view,
//   at least 1.
// - Counts: ColCount/RowCount below 1 become 1; a count at or below FixedX
//   lowers FixedX to count - 1. FixedCols/FixedRows raise "Fixed column
//   count must be less than column count" (rows likewise) at or above the
//   count, "Grid index out of range" below 0; setting them puts the current
//   cell, the anchor and the top-left cell back to the first scrolled cell.
//   More than 65536 columns or 16777216 rows (the store's reach) raise
//   "Grid too large for operation". Shrinking keeps the cells beyond the new counts in the
//   store; the current cell and the anchor are pulled into the grid.
// - Sizes: DefaultColWidth 64 and DefaultRowHeight 24 (negative values
//   become 0) give every column (row) that size. ColWidths/RowHeights raise
//   "Grid index out of range" for an index outside the counts. Sizes are
//   cut to 32767. GridLineWidth is clamped to 0..32767.
// - Current cell: Col/Row setters run SelectCell and, when it allows, move
//   the current cell with the anchor and scroll it into view (FocusCell,
//   which also fires OnClick). A column or row outside the grid raises
//   "Grid index out of range". Under goRowSelect the current column stays
//   FixedCols and the anchor column ColCount - 1.
// - Selection: the block between the current cell and the anchor, always
//   normalised. Setting it puts the anchor at its top-left and the current
//   cell at its bottom-right without asking SelectCell; each coordinate may
//   be 0..Count (Count parks the selection beyond the last cell), anything
//   else raises "Grid index out of range".
// - LeftCol/TopRow: clamped to FixedX..Count - 1; each change fires
//   TopLeftChanged after the window scrolled and the scroll position moved.
// - Scroll bars: ranges 0..127 (the thumb). A bar shows (per ScrollBars)
//   only when the scrolled columns (rows) do not all fit; its position is
//   MulDiv(LeftCol - FixedCols, 127, MaxLeft - FixedCols), where MaxLeft is
//   the largest left column that still fills the view. WM_HSCROLL/
//   WM_VSCROLL: SB_LINE* one column, SB_PAGE* VisibleColCount columns,
//   SB_TOP/SB_BOTTOM the ends, SB_THUMBPOSITION (SB_THUMBTRACK only with
//   goThumbTracking) MulDiv(pos, MaxLeft - FixedCols, 127) + FixedCols.
// - Paint loop: the fixed x fixed cells, then the fixed rows x scrolled
//   columns, the scrolled rows x fixed columns, the scrolled x scrolled
//   cells; rows outer, columns inner; each visible cell of positive width
//   and height goes to DrawCell with its CellRect and state: gdFixed in
//   fixed cells; gdFocused for the current cell while the grid (or its
//   editor) is the active control; gdSelected for a non-fixed cell in the
//   selection, except the focused current cell when goDrawFocusSelected is
//   off (under goRowSelect the whole row stays selected); gdRowSelected
//   with gdSelected under goRowSelect. The lines come first; the area right
//   of and below the cells is filled with Color. DefaultDrawing fills each
//   cell (FixedColor, Color, clHighlight) before DrawCell, raises fixed
//   cells with Ctl3D and draws the focus rectangle (not under goRowSelect
//   nor with both goEditing and goAlwaysShowEditor). Fixed lines are
//   clBlack, cell lines clSilver.
// - Keys (KeyDown, after OnKeyDown): arrows move the current cell (under
//   goRowSelect Left and Right scroll instead); PgUp/PgDn move the current
//   cell and the view by a page (the fully shown rows less one, at least
//   one); Home/End go to the first/last scrolled column (row under
//   goRowSelect); Ctrl+Home/End to the first/last cell; Ctrl+Up/Down scroll
//   a row without moving the current cell; Ctrl+Left/Right move the current
//   cell and the view by a page of columns; Ctrl+PgUp/PgDn go to the
//   top/bottom row of the page; Tab/Shift+Tab (goTabs, not goRowSelect) walk the cells
//   row by row, wrapping, skipping columns whose TabStops is off; F2 opens
//   the editor (goEditing). With Shift and goRangeSelect the anchor stays.
//   Enter toggles the editor (KeyPress), a typed character opens it with
//   that character (goEditing). WM_GETDLGCODE: arrows always, Tab with
//   goTabs, characters with goEditing (not under goRowSelect).
// - Mouse: a left press in the fixed rows on a column border (7 pixels
//   around it, goColSizing) sizes that column by dragging (gsColSizing),
//   likewise rows in the fixed columns (goRowSizing); the release sets the
//   width (at least 1). A press on a scrolled cell makes it current with
//   the anchor; dragging (gsSelecting) moves the anchor with goRangeSelect;
//   Shift+press moves only the anchor; with goEditing a press on the current
//   cell opens the editor and no range is dragged. Leaving the cells while
//   selecting scrolls every 60 ms (window timer 1). The wheel moves the
//   current row (DoMouseWheelDown/Up) unless OnMouseWheel* handled it.
// - Editor: InplaceEditor is null until the editor is first shown.
//   ShowEditor sets EditorMode and, when CanEditShow (goEditing without
//   goRowSelect, EditorMode, a window, and goAlwaysShowEditor or the grid
//   active), creates it through CreateEditor, loads GetEditText/
//   GetEditMask/GetEditLimit of the current cell and lays it over
//   CellRect. HideEditor stores the editor's text through SetEditText and
//   hides it. Every change typed in the editor goes to SetEditText. The
//   editor hands Up, Down, PgUp, PgDn (and Left/Right/Home/End at its
//   text's ends, Tab with goTabs) to the grid; Escape puts back the text it
//   opened with and closes; Enter closes (through the grid's KeyPress).
// - Updating: while SetUpdating(true) cell writes and invalidation repaint
//   nothing.
// - Moves: MoveColumn/MoveRow (and DeleteColumn/DeleteRow, which move the
//   line to the end and drop the count by one) move widths, the current
//   cell, the anchor and, in TStringGrid, the cells (in every stored row);
//   then ColumnMoved/RowMoved fire. A deleted line's cells stay beyond the
//   count. Indexes outside the counts raise "Grid index out of range";
//   deleting the last scrolled line raises "Too many rows or columns
//   deleted".
//
// Raw members and their framework names: a descendant grid redeclares some
// framework properties with side effects of its own, as Pascal code
// redeclares a property, and the framework's own code never reaches those.
// Here the framework's names are non-virtual and forward to raw members
// with distinct names that the grid's own code calls:
//   Cells / SetCells            -> RawCells / SetRawCells (TStringGrid)
//   Objects / SetObjects        -> RawObjects / SetRawObjects (TStringGrid)
//   ColCount, RowCount, FixedCols, FixedRows (and setters)
//                               -> RawColCount ... SetRawFixedRows
//   Col, Row (and setters)      -> RawCol, RawRow, SetRawCol, SetRawRow
//   LeftCol, TopRow             -> RawLeftCol, RawTopRow, SetRawLeftCol, SetRawTopRow
//   CellRect                    -> RawCellRect
//   ScrollBars / SetScrollBars  -> RawScrollBars / SetRawScrollBars
//   Selection                   -> RawSelection; SetSelection is virtual.
// Everything the Parts override is virtual: SelectCell, DrawCell, Paint,
// KeyDown, KeyPress, MouseDown/Move/Up, DoMouseWheelDown/Up,
// TopLeftChanged, ColWidthsChanged, RowHeightsChanged, SizeChanged,
// CalcSizingState, MoveColumn and MoveRow (the protected moves) with the
// ColumnMoved and RowMoved hooks they call, DeleteColumn, DeleteRow,
// CreateEditor, CanEditShow, CanEditModify, CanEditAcceptKey,
// CanGridAcceptKey, GetEditText, SetEditText, GetEditMask, GetEditLimit,
// SetSelection, FixedCellClick, TimedScroll, ScrollData.
//
// Not covered: right-to-left layout, column and row moving by mouse
// (goColMoving/goRowMoving keep their option bits; MoveColumn/MoveRow
// exist), the themed and gradient drawing styles (DrawingStyle is kept,
// painting is classic), hot-tracked fixed cells, edit masks (GetEditMask is
// asked and handed to the editor, which keeps it without enforcing it).

#include <QString>
#include <functional>
#include <memory>
#include <unordered_map>

#include "platform/vcl/Controls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/GridsPrivate.h"
#include "platform/vcl/StdCtrls.h"

// ---------------------------------------------------------------------------
// Types

enum TGridOption {
  goFixedVertLine,
  goFixedHorzLine,
  goVertLine,
  goHorzLine,
  goRangeSelect,
  goDrawFocusSelected,
  goRowSizing,
  goColSizing,
  goRowMoving,
  goColMoving,
  goEditing,
  goTabs,
  goRowSelect,
  goAlwaysShowEditor,
  goThumbTracking,
  goFixedColClick,
  goFixedRowClick,
  goFixedHotTrack
};
using TGridOptions = TSet<TGridOption>;
TF_ENUM_NAMES(TGridOption, goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect,
              goDrawFocusSelected, goRowSizing, goColSizing, goRowMoving, goColMoving, goEditing, goTabs,
              goRowSelect, goAlwaysShowEditor, goThumbTracking, goFixedColClick, goFixedRowClick, goFixedHotTrack)

enum TGridDrawStateItem { gdSelected, gdFocused, gdFixed, gdRowSelected, gdHotTrack, gdPressed };
using TGridDrawState = TSet<TGridDrawStateItem>;

enum TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };

enum TGridDrawingStyle { gdsClassic, gdsThemed, gdsGradient };
TF_ENUM_NAMES(TGridDrawingStyle, gdsClassic, gdsThemed, gdsGradient)

enum TGridScrollDirectionItem { sdLeft, sdRight, sdUp, sdDown };
using TGridScrollDirection = TSet<TGridScrollDirectionItem>;

class TCustomGrid;
class TStringGrid;

using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TDrawCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;
using TGetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, QString& Value)>;
using TSetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, const QString& Value)>;
using TMovedEvent = std::function<void(TObject* Sender, int FromIndex, int ToIndex)>;
using TFixedCellClickEvent = std::function<void(TObject* Sender, int ACol, int ARow)>;

// ---------------------------------------------------------------------------
// TInplaceEdit: the grid's text editor, a single-line edit laid over the
// current cell.

class TInplaceEdit : public TCustomEdit {
 public:
  TF_DECLARE_MESSAGES(TInplaceEdit)
  explicit TInplaceEdit(TComponent* AOwner);
  ~TInplaceEdit() override;

  TCustomGrid* Grid() const { return FGrid; }
  // Text, edit mask and length limit of the grid's current cell.
  virtual void UpdateContents();
  // Lays the editor over Loc (grid client coordinates), shows it and, when
  // the grid has the focus, takes the focus.
  void Move(const TRect& Loc);
  // Moves a shown editor to Loc.
  void UpdateLoc(const TRect& Loc);
  // Hides the editor; a focused editor hands the focus back to the grid.
  void Hide();
  bool PosEqual(const TRect& Rect) const;
  // Caret to the end, nothing selected.
  void Deselect();
  const QString& EditMask() const { return FEditMask; }
  void SetEditMask(const QString& Value) { FEditMask = Value; }
  // The text the editor was opened with (Escape puts it back).
  const QString& OriginalText() const { return FOriginalText; }

 protected:
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(QChar& Key) override;
  void Change() override;
  // Tab too with goTabs.
  void WMGetDlgCode(TMessage& Message);
  // A line edit without a frame of its own.
  QWidget* CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) override;
  // Hands the key to the grid's KeyDown.
  void SendToParent(Word& Key, TShiftState Shift);

 private:
  friend class TCustomGrid;
  void SetGrid(TCustomGrid* Value) { FGrid = Value; }
  TCustomGrid* FGrid = nullptr;
  QString FEditMask;
  QString FOriginalText;
  bool FLoading = false;  // text set by UpdateContents, not typed
};

// ---------------------------------------------------------------------------
// TCustomGrid

class TCustomGrid : public TCustomControl {
 public:
  TF_DECLARE_MESSAGES(TCustomGrid)
  explicit TCustomGrid(TComponent* AOwner);
  ~TCustomGrid() override;

  // --- dimensions (framework names forward to the raw members)
  int ColCount() const { return RawColCount(); }
  void SetColCount(int Value) { SetRawColCount(Value); }
  int RowCount() const { return RawRowCount(); }
  void SetRowCount(int Value) { SetRawRowCount(Value); }
  int FixedCols() const { return RawFixedCols(); }
  void SetFixedCols(int Value) { SetRawFixedCols(Value); }
  int FixedRows() const { return RawFixedRows(); }
  void SetFixedRows(int Value) { SetRawFixedRows(Value); }
  int RawColCount() const { return FCols.Count(); }
  void SetRawColCount(int Value);
  int RawRowCount() const { return FRows.Count(); }
  void SetRawRowCount(int Value);
  int RawFixedCols() const { return FFixedCols; }
  void SetRawFixedCols(int Value);
  int RawFixedRows() const { return FFixedRows; }
  void SetRawFixedRows(int Value);

  // --- sizes
  int DefaultColWidth() const { return FCols.DefaultSize(); }
  void SetDefaultColWidth(int Value);
  int DefaultRowHeight() const { return FRows.DefaultSize(); }
  void SetDefaultRowHeight(int Value);
  int ColWidths(int Index) const { return FCols.Size(Index); }
  void SetColWidths(int Index, int Value);
  int RowHeights(int Index) const { return FRows.Size(Index); }
  void SetRowHeights(int Index, int Value);
  int GridLineWidth() const { return FGridLineWidth; }
  void SetGridLineWidth(int Value);
  // Width (height) of all cells with their lines, at most the client width
  // (height).
  int GridWidth() const;
  int GridHeight() const;
  // Tab stops of the columns (all on by default).
  bool TabStops(int Index) const;
  void SetTabStops(int Index, bool Value);

  // --- current cell, scrolling, selection
  int Col() const { return RawCol(); }
  void SetCol(int Value) { SetRawCol(Value); }
  int Row() const { return RawRow(); }
  void SetRow(int Value) { SetRawRow(Value); }
  int RawCol() const { return FSel.Current().X; }
  void SetRawCol(int Value);
  int RawRow() const { return FSel.Current().Y; }
  void SetRawRow(int Value);
  int LeftCol() const { return RawLeftCol(); }
  void SetLeftCol(int Value) { SetRawLeftCol(Value); }
  int TopRow() const { return RawTopRow(); }
  void SetTopRow(int Value) { SetRawTopRow(Value); }
  int RawLeftCol() const { return FTopLeft.X; }
  void SetRawLeftCol(int Value);
  int RawTopRow() const { return FTopLeft.Y; }
  void SetRawTopRow(int Value);
  int VisibleColCount() const;
  int VisibleRowCount() const;
  TGridRect Selection() const { return RawSelection(); }
  TGridRect RawSelection() const { return FSel.Selection(); }
  virtual void SetSelection(const TGridRect& Value);
  // The end of the selection opposite the current cell.
  TGridCoord SelectionAnchor() const { return FSel.Anchor(); }

  // --- geometry
  TRect CellRect(int ACol, int ARow) const { return RawCellRect(ACol, ARow); }
  TRect RawCellRect(int ACol, int ARow) const;
  TGridCoord MouseCoord(int X, int Y) const;
  void MouseToCell(int X, int Y, int& ACol, int& ARow) const;

  // --- look and behaviour
  TGridOptions Options() const { return FOptions; }
  void SetOptions(TGridOptions Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TColor FixedColor() const { return FFixedColor; }
  void SetFixedColor(TColor Value);
  bool DefaultDrawing() const { return FDefaultDrawing; }
  void SetDefaultDrawing(bool Value);
  TScrollStyle ScrollBars() const { return RawScrollBars(); }
  void SetScrollBars(TScrollStyle Value) { SetRawScrollBars(Value); }
  TScrollStyle RawScrollBars() const { return FScrollBars; }
  void SetRawScrollBars(TScrollStyle Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  // bsNone or bsSingle (other values raise EInvalidGridOperation).
  void SetBorderStyle(TBorderStyle Value);
  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool Value);
  TGridDrawingStyle DrawingStyle() const { return FDrawingStyle; }
  void SetDrawingStyle(TGridDrawingStyle Value);

  // --- state and editor
  TGridState GridState() const { return FGridState; }
  bool EditorMode() const { return FEditorMode; }
  void SetEditorMode(bool Value);
  // Null until the editor was first shown.
  TInplaceEdit* InplaceEditor() const { return FInplaceEdit; }
  // The grid or its editor is the form's active control.
  bool IsActiveControl() const;

  // Scroll information the window bars show (for tests and descendants).
  TGridCoord MaxTopLeft() const;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Paint() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(QChar& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void ChangeScale(int M, int D, bool isDpiChange) override;
  void DoExit() override;

  // --- hooks
  // The wheel's steps: OnMouseWheelDown/Up, then the current row moves.
  virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
  virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
  virtual bool SelectCell(int ACol, int ARow);
  virtual void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) = 0;
  virtual void TopLeftChanged();
  virtual void ColWidthsChanged();
  virtual void RowHeightsChanged();
  virtual void SizeChanged(int OldColCount, int OldRowCount);
  // The sizing state at (X, Y): gsColSizing / gsRowSizing with the index of
  // the line, its position and the offset of the point from it; gsNormal
  // (Index -1) elsewhere.
  virtual void CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs);
  virtual void ColumnMoved(int FromIndex, int ToIndex);
  virtual void RowMoved(int FromIndex, int ToIndex);
  virtual void DeleteColumn(int ACol);
  virtual void DeleteRow(int ARow);
  virtual TInplaceEdit* CreateEditor();
  virtual bool CanEditShow();
  virtual bool CanEditModify();
  virtual bool CanEditAcceptKey(QChar Key);
  virtual bool CanGridAcceptKey(Word Key, TShiftState Shift);
  virtual QString GetEditText(int ACol, int ARow);
  virtual void SetEditText(int ACol, int ARow, const QString& Value);
  virtual QString GetEditMask(int ACol, int ARow);
  // 0: no limit.
  virtual int GetEditLimit();
  // A step of the scroll while selecting outside the cells.
  virtual void TimedScroll(TGridScrollDirection Direction);
  // A press and release on the same fixed cell with goFixedColClick (a
  // fixed row's scrolled column) or goFixedRowClick (a fixed column's
  // scrolled row).
  virtual void FixedCellClick(int ACol, int ARow);
  // Scrolls the cells' pixels by the difference between two top-left cells.
  virtual void ScrollData(int DX, int DY);

  // --- operations for descendants
  void MoveColRow(bool IsColumn, int FromIndex, int ToIndex);
  virtual void MoveColumn(int FromIndex, int ToIndex);
  virtual void MoveRow(int FromIndex, int ToIndex);
  // MoveCurrent with the editor brought up to date and OnClick.
  void FocusCell(int ACol, int ARow, bool MoveAnchor);
  // Moves the current cell when SelectCell allows; the anchor too with
  // MoveAnchor (or without goRangeSelect); Show scrolls the cell into view.
  // Raises "Grid index out of range" outside the grid.
  void MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show);
  // Extends the range (goRangeSelect, not goEditing) or moves the current
  // cell.
  void MoveAnchor(const TGridCoord& NewAnchor);
  // Moves the top-left scrolled cell (clamped to the grid).
  void MoveTopLeft(int ALeft, int ATop);
  // Scrolls so that the cell is in view.
  void ClampInView(const TGridCoord& Coord);
  void ShowEditor();
  void HideEditor();
  void ShowEditorChar(QChar Ch);
  // Loads the editor again from the current cell.
  void InvalidateEditor();
  void InvalidateCell(int ACol, int ARow);
  void InvalidateCol(int ACol);
  void InvalidateRow(int ARow);
  void InvalidateGrid();
  void InvalidateRect(const TGridRect& ARect);
  // Brings the scroll bars (their need, range and position) up to date.
  void UpdateScrollRange();
  void UpdateScrollPos();
  // While set, writes and invalidation repaint nothing.
  void SetUpdating(bool Value) { FUpdating = Value; }
  bool Updating() const { return FUpdating; }
  void SetGridState(TGridState Value) { FGridState = Value; }
  int SizingIndex() const { return FSizingIndex; }
  int SizingPos() const { return FSizingPos; }
  // The line widths in effect (0 without the line options).
  int HorzLineWidth() const;
  int VertLineWidth() const;

  // --- message handlers (the grid's message map)
  void WMSize(TMessage& Message);
  void WMHScroll(TMessage& Message);
  void WMVScroll(TMessage& Message);
  void WMSetCursor(TMessage& Message);
  void WMGetDlgCode(TMessage& Message);
  void WMChar(TMessage& Message);
  void WMTimer(TMessage& Message);
  void WMSetFocus(TMessage& Message);
  void WMKillFocus(TMessage& Message);
  void WMCancelMode(TMessage& Message);
  void WMEraseBkgnd(TMessage& Message);
  // The border and the scroll bars on the window DC in WParam (see
  // Controls.h); a descendant painting over them calls this first.
  void WMNCPaint(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMCancelMode(TMessage& Message);

 private:
  friend class TInplaceEdit;
  struct TAxisInfo {
    int Line = 0;           // line width in effect
    int FixedBoundary = 0;  // where the scrolled cells start
    int GridBoundary = 0;   // where the last cell in view ends (with its line)
    int GridExtent = 0;     // client width (height)
    int FirstGridCell = 0;  // LeftCol (TopRow)
    int LastFullVisibleCell = 0;
    int FullVisBoundary = 0;  // where the last fully shown cell ends
    int LastVisibleCell = 0;  // the last cell at least partly in view
    int FixedCellCount = 0;
    int GridCellCount = 0;
  };
  TAxisInfo CalcAxis(bool Horz) const;
  const GridsDetail::TGridAxis& Axis(bool Horz) const { return Horz ? FCols : FRows; }
  // The first scrolled item from which the items up to Last fill the view.
  int CalcMaxCell(bool Horz, int Last) const;
  // The pixel rectangle of a block of cells (its visible part, with lines).
  TRect BoxRect(const TGridRect& ARect) const;
  void SyncLineWidths();
  // The start of a cell in client coordinates; false when not in view.
  bool LinePos(const TAxisInfo& Info, const GridsDetail::TGridAxis& Axis, int Index, int& Pos) const;
  int CoordFromPoint(const TAxisInfo& Info, const GridsDetail::TGridAxis& Axis, int Pos) const;
  int CalcMaxTopLeft(bool Horz) const;
  GridsDetail::TGridAnchorSelection::TMode SelMode() const;
  void ChangeSize(int NewColCount, int NewRowCount);
  void Initialize();
  void TopLeftMoved(const TGridCoord& OldTopLeft);
  void SelectionMoved(const TGridRect& OldSel);
  void ModifyScrollBar(bool Horz, WORD ScrollCode, int Pos);
  void UpdateEdit();
  void HideEdit();
  void UpdateText();
  void DrawLines();
  void DrawCells(int ACol, int ARow, int StartX, int StartY, int StopX, int StopY, TColor AColor,
                 TGridDrawState AState);
  void DrawSizingLine();
  void ResizeLine(bool Horz, int Index, int Pos);
  void CheckTopLeftLimits();
  int PageCount(bool Horz) const;

  GridsDetail::TGridAxis FCols{64};
  GridsDetail::TGridAxis FRows{24};
  GridsDetail::TGridAnchorSelection FSel;
  std::vector<bool> FTabStops;
  int FFixedCols = 1;
  int FFixedRows = 1;
  TGridCoord FTopLeft{1, 1};
  int FGridLineWidth = 1;
  TGridOptions FOptions;
  TColor FColor = clWindow;
  TColor FFixedColor = clBtnFace;
  bool FDefaultDrawing = true;
  TScrollStyle FScrollBars = ssBoth;
  TBorderStyle FBorderStyle = bsSingle;
  bool FCtl3D = true;
  TGridDrawingStyle FDrawingStyle = gdsClassic;
  TGridState FGridState = gsNormal;
  bool FEditorMode = false;
  TInplaceEdit* FInplaceEdit = nullptr;
  int FInplaceCol = -1;
  int FInplaceRow = -1;
  bool FCanEditModify = true;
  bool FUpdating = false;
  int FSizingIndex = -1;
  int FSizingPos = 0;
  int FSizingOfs = 0;
  bool FSizingLineShown = false;
  bool FInScrollUpdate = false;
  int FWheelAccumulator = 0;
  bool FSelectTimer = false;
  TPoint FLastMouse;
  TGridCoord FFixedPress{-1, -1};  // fixed cell pressed for FixedCellClick
};

// ---------------------------------------------------------------------------
// TCustomDrawGrid / TDrawGrid: the grid with its events.

class TCustomDrawGrid : public TCustomGrid {
 public:
  explicit TCustomDrawGrid(TComponent* AOwner);

  TDrawCellEvent OnDrawCell;
  TSelectCellEvent OnSelectCell;
  TNotifyEvent OnTopLeftChanged;
  TMovedEvent OnColumnMoved;
  TMovedEvent OnRowMoved;
  TGetEditEvent OnGetEditMask;
  TGetEditEvent OnGetEditText;
  TSetEditEvent OnSetEditText;
  TFixedCellClickEvent OnFixedCellClick;

 protected:
  void FixedCellClick(int ACol, int ARow) override;
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
  bool SelectCell(int ACol, int ARow) override;
  void TopLeftChanged() override;
  void ColumnMoved(int FromIndex, int ToIndex) override;
  void RowMoved(int FromIndex, int ToIndex) override;
  QString GetEditMask(int ACol, int ARow) override;
  QString GetEditText(int ACol, int ARow) override;
  void SetEditText(int ACol, int ARow, const QString& Value) override;
};

class TDrawGrid : public TCustomDrawGrid {
 public:
  TF_DECLARE_PUBLISHED(TDrawGrid)
  explicit TDrawGrid(TComponent* AOwner) : TCustomDrawGrid(AOwner) {}
};

// ---------------------------------------------------------------------------
// TStringGrid: a text and an object reference per cell.
//
// The store is sparse: cells never written read as "" and null, and cells
// beyond ColCount/RowCount stay addressable (column 0..65535, row
// 0..16777215; other indexes raise EStringListError "List index out of
// bounds (<index>)", touching nothing). Objects are not owned. A write
// repaints its cell (not while updating) and reloads an open editor on the
// current cell unless the editor itself wrote it.
//
// Rows(r) / Cols(c) are TStrings views of one row (Count = ColCount) or
// column (Count = RowCount): strings and objects read and write the cells;
// Assign copies texts and objects together (up to Count); Add puts the
// string into the first empty cell; Clear empties the line; Insert and
// Delete raise EInvalidGridOperation "Cannot insert or delete rows from
// grid"; indexes outside 0..Count-1 raise EStringListError. The grid owns
// the views.

class TStringGrid : public TDrawGrid {
 public:
  TF_DECLARE_PUBLISHED(TStringGrid)
  explicit TStringGrid(TComponent* AOwner);
  ~TStringGrid() override;

  QString Cells(int ACol, int ARow) const { return RawCells(ACol, ARow); }
  void SetCells(int ACol, int ARow, const QString& Value) { SetRawCells(ACol, ARow, Value); }
  TObject* Objects(int ACol, int ARow) const { return RawObjects(ACol, ARow); }
  void SetObjects(int ACol, int ARow, TObject* Value) { SetRawObjects(ACol, ARow, Value); }
  QString RawCells(int ACol, int ARow) const { return FStore.Text(ACol, ARow); }
  void SetRawCells(int ACol, int ARow, const QString& Value);
  TObject* RawObjects(int ACol, int ARow) const { return FStore.Object(ACol, ARow); }
  void SetRawObjects(int ACol, int ARow, TObject* Value);

  TStrings* Rows(int Index);
  void SetRows(int Index, TStrings* Value);
  TStrings* Cols(int Index);
  void SetCols(int Index, TStrings* Value);

 protected:
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
  void ColumnMoved(int FromIndex, int ToIndex) override;
  void RowMoved(int FromIndex, int ToIndex) override;
  QString GetEditText(int ACol, int ARow) override;
  void SetEditText(int ACol, int ARow, const QString& Value) override;
  // Every object in the store with its cell, whatever the counts.
  void EnumStoredObjects(const std::function<void(int ACol, int ARow, TObject* Object)>& Visit) const;
  // The store itself (descendants that move or clear whole lines).
  GridsDetail::TGridCellStore& Store() { return FStore; }

 private:
  friend class TStringGridStrings;
  void CellChanged(int ACol, int ARow);
  GridsDetail::TGridCellStore FStore;
  std::unordered_map<int, std::unique_ptr<TStrings>> FRowViews;
  std::unordered_map<int, std::unique_ptr<TStrings>> FColViews;
  int FEditUpdate = 0;  // > 0 while the editor writes its text
};
