// The framework grid: construction, dimensions and sizes, options and look,
// the current cell and the selection, line moves and deletes, the window,
// and the draw grid's events.

#include "platform/vcl/Grids.h"

#include <algorithm>

#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Forms.h"

namespace {
[[noreturn]] void InvalidOp(const char* Message) { throw EInvalidGridOperation(QString::fromLatin1(Message)); }
}  // namespace

// ---------------------------------------------------------------------------
// Construction

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner) {
  // The grid fires Click and DblClick itself (on cell moves and presses).
  FControlStyle = TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks, csNeedsBorderPaint};
  FTabStop = true;
  FWidth = 320;
  FHeight = 120;
  FOptions = TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
  FCols.SetCount(5);
  FRows.SetCount(5);
  FTabStops.assign(5, true);
  SyncLineWidths();
  Initialize();
}

TCustomGrid::~TCustomGrid() {
  FGridState = gsNormal;
  // The editor is a child: it goes with the grid's window, after this.
  if (FInplaceEdit) FInplaceEdit->SetGrid(nullptr);
  FInplaceEdit = nullptr;
}

void TCustomGrid::Initialize() {
  FTopLeft = TGridCoord{FFixedCols, FFixedRows};
  FSel.Reset(FTopLeft, SelMode());
}

GridsDetail::TGridAnchorSelection::TMode TCustomGrid::SelMode() const {
  GridsDetail::TGridAnchorSelection::TMode m;
  m.RangeSelect = FOptions.Contains(goRangeSelect);
  m.RowSelect = FOptions.Contains(goRowSelect);
  m.Editing = FOptions.Contains(goEditing);
  m.ColCount = ColCount();
  m.FixedCols = FFixedCols;
  return m;
}

// ---------------------------------------------------------------------------
// Dimensions

void TCustomGrid::ChangeSize(int NewColCount, int NewRowCount) {
  const int oldCols = ColCount();
  const int oldRows = RowCount();
  if (NewColCount > GridsDetail::TGridCellStore::MaxCols || NewRowCount > GridsDetail::TGridAxis::MaxCount)
    InvalidOp(GridsConsts::SGridTooLarge);
  const TGridRect oldSel = Selection();
  FCols.SetCount(NewColCount);
  FRows.SetCount(NewRowCount);
  FTabStops.resize(size_t(NewColCount), true);
  // The current cell and the anchor stay in the grid; so does the view.
  FSel.Clamp(NewColCount, NewRowCount);
  FSel.ApplyRowSelect(SelMode());
  FTopLeft.X = std::clamp(FTopLeft.X, FFixedCols, NewColCount - 1);
  FTopLeft.Y = std::clamp(FTopLeft.Y, FFixedRows, NewRowCount - 1);
  SizeChanged(oldCols, oldRows);
  if (!HandleAllocated()) return;
  UpdateScrollRange();
  if (Selection() != oldSel || FInplaceCol >= NewColCount || FInplaceRow >= NewRowCount) InvalidateEditor();
  InvalidateGrid();
}

void TCustomGrid::SetRawColCount(int Value) {
  if (Value < 1) Value = 1;
  if (Value > GridsDetail::TGridCellStore::MaxCols) InvalidOp(GridsConsts::SGridTooLarge);
  if (Value == ColCount()) return;
  if (Value <= FFixedCols) FFixedCols = Value - 1;
  ChangeSize(Value, RowCount());
}

void TCustomGrid::SetRawRowCount(int Value) {
  if (Value < 1) Value = 1;
  if (Value > GridsDetail::TGridAxis::MaxCount) InvalidOp(GridsConsts::SGridTooLarge);
  if (Value == RowCount()) return;
  if (Value <= FFixedRows) FFixedRows = Value - 1;
  ChangeSize(ColCount(), Value);
}

void TCustomGrid::SetRawFixedCols(int Value) {
  if (Value < 0) InvalidOp(GridsConsts::SIndexOutOfRange);
  if (Value >= ColCount()) InvalidOp(GridsConsts::SFixedColTooBig);
  if (Value == FFixedCols) return;
  FFixedCols = Value;
  Initialize();
  if (!HandleAllocated()) return;
  UpdateScrollRange();
  InvalidateEditor();
  InvalidateGrid();
}

void TCustomGrid::SetRawFixedRows(int Value) {
  if (Value < 0) InvalidOp(GridsConsts::SIndexOutOfRange);
  if (Value >= RowCount()) InvalidOp(GridsConsts::SFixedRowTooBig);
  if (Value == FFixedRows) return;
  FFixedRows = Value;
  Initialize();
  if (!HandleAllocated()) return;
  UpdateScrollRange();
  InvalidateEditor();
  InvalidateGrid();
}

void TCustomGrid::SizeChanged(int OldColCount, int OldRowCount) {}

// ---------------------------------------------------------------------------
// Sizes

void TCustomGrid::SetDefaultColWidth(int Value) {
  FCols.SetDefaultSize(std::max(Value, 0));
  ColWidthsChanged();
  InvalidateGrid();
}

void TCustomGrid::SetDefaultRowHeight(int Value) {
  FRows.SetDefaultSize(std::max(Value, 0));
  RowHeightsChanged();
  InvalidateGrid();
}

void TCustomGrid::SetColWidths(int Index, int Value) {
  if (FCols.Size(Index) == std::min(Value, GridsDetail::TGridAxis::MaxSize)) return;
  FCols.SetSize(Index, Value);
  ColWidthsChanged();
  InvalidateGrid();
}

void TCustomGrid::SetRowHeights(int Index, int Value) {
  if (FRows.Size(Index) == std::min(Value, GridsDetail::TGridAxis::MaxSize)) return;
  FRows.SetSize(Index, Value);
  RowHeightsChanged();
  InvalidateGrid();
}

void TCustomGrid::SetGridLineWidth(int Value) {
  Value = std::clamp(Value, 0, GridsDetail::TGridAxis::MaxSize);
  if (Value == FGridLineWidth) return;
  FGridLineWidth = Value;
  SyncLineWidths();
  ColWidthsChanged();
  RowHeightsChanged();
  InvalidateGrid();
}

void TCustomGrid::ColWidthsChanged() {
  UpdateScrollRange();
  UpdateEdit();
}

void TCustomGrid::RowHeightsChanged() {
  UpdateScrollRange();
  UpdateEdit();
}

bool TCustomGrid::TabStops(int Index) const {
  if (Index < 0 || Index >= ColCount()) InvalidOp(GridsConsts::SIndexOutOfRange);
  return FTabStops[size_t(Index)];
}

void TCustomGrid::SetTabStops(int Index, bool Value) {
  if (Index < 0 || Index >= ColCount()) InvalidOp(GridsConsts::SIndexOutOfRange);
  FTabStops[size_t(Index)] = Value;
}

// ---------------------------------------------------------------------------
// Options and look

void TCustomGrid::SetOptions(TGridOptions Value) {
  if (Value.Contains(goRowSelect)) Value.Exclude(goAlwaysShowEditor);
  if (Value == FOptions) return;
  const bool rowSelectChanged = Value.Contains(goRowSelect) != FOptions.Contains(goRowSelect);
  FOptions = Value;
  SyncLineWidths();
  if (!FEditorMode) {
    if (FOptions.Contains(goAlwaysShowEditor))
      ShowEditor();
    else
      HideEditor();
  }
  if (!FOptions.Contains(goEditing) && FEditorMode) HideEditor();
  // Under row selection the selection becomes the current row; leaving it,
  // the current cell alone.
  if (rowSelectChanged) FSel.MoveCurrent(FSel.Current(), true, SelMode());
  UpdateScrollRange();
  InvalidateGrid();
}

void TCustomGrid::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  InvalidateGrid();
}

void TCustomGrid::SetFixedColor(TColor Value) {
  if (FFixedColor == Value) return;
  FFixedColor = Value;
  InvalidateGrid();
}

void TCustomGrid::SetDefaultDrawing(bool Value) {
  if (FDefaultDrawing == Value) return;
  FDefaultDrawing = Value;
  InvalidateGrid();
}

void TCustomGrid::SetRawScrollBars(TScrollStyle Value) {
  if (Value < ssNone || Value > ssBoth) InvalidOp(GridsConsts::SIndexOutOfRange);
  if (FScrollBars == Value) return;
  FScrollBars = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomGrid::SetBorderStyle(TBorderStyle Value) {
  if (Value != bsNone && Value != bsSingle) InvalidOp(GridsConsts::SIndexOutOfRange);
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomGrid::SetCtl3D(bool Value) {
  if (FCtl3D == Value) return;
  FCtl3D = Value;
  if (HandleAllocated() && FBorderStyle == bsSingle) RecreateWnd();
  InvalidateGrid();
}

void TCustomGrid::SetDrawingStyle(TGridDrawingStyle Value) {
  if (FDrawingStyle == Value) return;
  FDrawingStyle = Value;
  InvalidateGrid();
}

// ---------------------------------------------------------------------------
// Current cell and selection

void TCustomGrid::SetRawCol(int Value) {
  if (Value != RawCol()) FocusCell(Value, RawRow(), true);
}

void TCustomGrid::SetRawRow(int Value) {
  if (Value != RawRow()) FocusCell(RawCol(), Value, true);
}

void TCustomGrid::SetRawLeftCol(int Value) { MoveTopLeft(Value, FTopLeft.Y); }

void TCustomGrid::SetRawTopRow(int Value) { MoveTopLeft(FTopLeft.X, Value); }

void TCustomGrid::SetSelection(const TGridRect& Value) {
  auto bad = [](int v, int count) { return v < 0 || v > count; };
  if (bad(Value.Left, ColCount()) || bad(Value.Right, ColCount()) || bad(Value.Top, RowCount()) ||
      bad(Value.Bottom, RowCount()))
    InvalidOp(GridsConsts::SIndexOutOfRange);
  const TGridRect old = Selection();
  FSel.Set(Value);
  SelectionMoved(old);
}

bool TCustomGrid::SelectCell(int ACol, int ARow) { return true; }

void TCustomGrid::MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show) {
  if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount()) InvalidOp(GridsConsts::SIndexOutOfRange);
  if (!SelectCell(ACol, ARow)) return;
  const TGridRect old = Selection();
  if (!FOptions.Contains(goAlwaysShowEditor)) HideEditor();
  FSel.MoveCurrent(TGridCoord{ACol, ARow}, MoveAnchor, SelMode());
  if (Show) ClampInView(FSel.Current());
  SelectionMoved(old);
}

void TCustomGrid::MoveAnchor(const TGridCoord& NewAnchor) {
  if (NewAnchor.X < 0 || NewAnchor.Y < 0 || NewAnchor.X >= ColCount() || NewAnchor.Y >= RowCount())
    InvalidOp(GridsConsts::SIndexOutOfRange);
  if (FOptions.Contains(goRangeSelect) && !FOptions.Contains(goEditing)) {
    const TGridRect old = Selection();
    FSel.MoveAnchor(NewAnchor, SelMode());
    ClampInView(NewAnchor);
    SelectionMoved(old);
  } else {
    MoveCurrent(NewAnchor.X, NewAnchor.Y, true, true);
  }
}

void TCustomGrid::FocusCell(int ACol, int ARow, bool MoveAnchor) {
  MoveCurrent(ACol, ARow, MoveAnchor, true);
  UpdateEdit();
  Click();
}

void TCustomGrid::SelectionMoved(const TGridRect& OldSel) {
  if (!HandleAllocated()) return;
  InvalidateRect(OldSel);
  InvalidateRect(Selection());
}

bool TCustomGrid::IsActiveControl() const {
  if (FInplaceEdit && FInplaceEdit->HandleAllocated() && FInplaceEdit->Focused()) return true;
  if (TCustomForm* form = GetParentForm(this)) return form->ActiveControl() == this && Focused();
  return Focused();
}

// ---------------------------------------------------------------------------
// Moving and deleting lines

void TCustomGrid::MoveColumn(int FromIndex, int ToIndex) { MoveColRow(true, FromIndex, ToIndex); }

void TCustomGrid::MoveRow(int FromIndex, int ToIndex) { MoveColRow(false, FromIndex, ToIndex); }

void TCustomGrid::MoveColRow(bool IsColumn, int FromIndex, int ToIndex) {
  const int count = IsColumn ? ColCount() : RowCount();
  if (FromIndex < 0 || ToIndex < 0 || FromIndex >= count || ToIndex >= count)
    InvalidOp(GridsConsts::SIndexOutOfRange);
  if (FromIndex == ToIndex) return;
  HideEdit();
  if (IsColumn) {
    FCols.Move(FromIndex, ToIndex);
    const bool stop = FTabStops[size_t(FromIndex)];
    FTabStops.erase(FTabStops.begin() + FromIndex);
    FTabStops.insert(FTabStops.begin() + ToIndex, stop);
  } else {
    FRows.Move(FromIndex, ToIndex);
  }
  FSel.AdjustForMove(IsColumn, FromIndex, ToIndex);
  if (IsColumn)
    ColumnMoved(FromIndex, ToIndex);
  else
    RowMoved(FromIndex, ToIndex);
  if (IsColumn)
    ColWidthsChanged();
  else
    RowHeightsChanged();
  InvalidateGrid();
}

void TCustomGrid::ColumnMoved(int FromIndex, int ToIndex) {}

void TCustomGrid::RowMoved(int FromIndex, int ToIndex) {}

void TCustomGrid::DeleteColumn(int ACol) {
  if (ACol < 0 || ACol >= ColCount()) InvalidOp(GridsConsts::SIndexOutOfRange);
  if (ColCount() - 1 <= FFixedCols) InvalidOp(GridsConsts::STooManyDeleted);
  MoveColumn(ACol, ColCount() - 1);
  SetRawColCount(ColCount() - 1);
}

void TCustomGrid::DeleteRow(int ARow) {
  if (ARow < 0 || ARow >= RowCount()) InvalidOp(GridsConsts::SIndexOutOfRange);
  if (RowCount() - 1 <= FFixedRows) InvalidOp(GridsConsts::STooManyDeleted);
  MoveRow(ARow, RowCount() - 1);
  SetRawRowCount(RowCount() - 1);
}

// ---------------------------------------------------------------------------
// The window

void TCustomGrid::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style |= WS_TABSTOP;
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= WS_HSCROLL;
  if (FBorderStyle == bsSingle) {
    if (FCtl3D)
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      Params.Style |= WS_BORDER;
  }
  Params.WindowClassStyle = CS_DBLCLKS;
}

void TCustomGrid::CreateWnd() {
  TCustomControl::CreateWnd();
  UpdateScrollRange();
}

void TCustomGrid::ChangeScale(int M, int D, bool isDpiChange) {
  TCustomControl::ChangeScale(M, D, isDpiChange);
  if (M == D || M <= 0 || D <= 0) return;
  // Sizes scale with the control; the defaults first (they reset every size).
  std::vector<int> widths(static_cast<size_t>(ColCount()));
  std::vector<int> heights(static_cast<size_t>(RowCount()));
  for (int i = 0; i < ColCount(); ++i) widths[size_t(i)] = FCols.Size(i);
  for (int i = 0; i < RowCount(); ++i) heights[size_t(i)] = FRows.Size(i);
  FCols.SetDefaultSize(MulDiv(FCols.DefaultSize(), M, D));
  FRows.SetDefaultSize(MulDiv(FRows.DefaultSize(), M, D));
  for (int i = 0; i < ColCount(); ++i)
    if (widths[size_t(i)] > 0) FCols.SetSize(i, MulDiv(widths[size_t(i)], M, D));
  for (int i = 0; i < RowCount(); ++i)
    if (heights[size_t(i)] > 0) FRows.SetSize(i, MulDiv(heights[size_t(i)], M, D));
  ColWidthsChanged();
  RowHeightsChanged();
  InvalidateGrid();
}

// ---------------------------------------------------------------------------
// TCustomDrawGrid

TCustomDrawGrid::TCustomDrawGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}

void TCustomDrawGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
  if (OnDrawCell) OnDrawCell(this, ACol, ARow, ARect, AState);
}

bool TCustomDrawGrid::SelectCell(int ACol, int ARow) {
  bool result = true;
  if (OnSelectCell) OnSelectCell(this, ACol, ARow, result);
  return result;
}

void TCustomDrawGrid::TopLeftChanged() {
  TCustomGrid::TopLeftChanged();
  if (OnTopLeftChanged) OnTopLeftChanged(this);
}

void TCustomDrawGrid::ColumnMoved(int FromIndex, int ToIndex) {
  if (OnColumnMoved) OnColumnMoved(this, FromIndex, ToIndex);
}

void TCustomDrawGrid::RowMoved(int FromIndex, int ToIndex) {
  if (OnRowMoved) OnRowMoved(this, FromIndex, ToIndex);
}

QString TCustomDrawGrid::GetEditMask(int ACol, int ARow) {
  QString result;
  if (OnGetEditMask) OnGetEditMask(this, ACol, ARow, result);
  return result;
}

QString TCustomDrawGrid::GetEditText(int ACol, int ARow) {
  QString result;
  if (OnGetEditText) OnGetEditText(this, ACol, ARow, result);
  return result;
}

void TCustomDrawGrid::SetEditText(int ACol, int ARow, const QString& Value) {
  if (OnSetEditText) OnSetEditText(this, ACol, ARow, Value);
}

void TCustomDrawGrid::FixedCellClick(int ACol, int ARow) {
  if (OnFixedCellClick) OnFixedCellClick(this, ACol, ARow);
}
