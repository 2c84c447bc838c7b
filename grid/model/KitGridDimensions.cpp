// Dimensions of the string grid (counts, fixed rows and columns, default and
// fixed sizes, the current cell), the accessors by real row and column, the
// per-cell appearance accessors, zoom, the simple setters and update locking.

#include <algorithm>
#include <cmath>

#include "gdiplus/KitHintInfo.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridUtils.h"
#include "platform/win32/Gdi.h"
#include "platform/win32/Messages.h"
#include "platform/win32/WinUser.h"

// ---------------------------------------------------------------------------
// Counts

void TKitStringGrid::SetRowCount(int Value) {
  if (Value < 0) throw EKitGridError(QStringLiteral("Invalid row count ") + QString::number(Value));
  if (OnRowCountChange && Value != RowCount()) OnRowCountChange(this, RowCount(), Value);
  const int n = RowCount();
  if (RowCount() == FixedRows() && FFixedRowAlways && FSelHidden) UnHideSelection();
  if (Col() == ColCount() || Row() == RowCount()) FocusCell(RawFixedCols(), RawFixedRows());
  SetRawRowCount(Value);
  for (int r = FSuppressRowSizes->Count(); r < RowCount(); ++r) FSuppressRowSizes->Add(RowHeights(r));
  if (RowCount() > FFixedRowsMin && FFixedRowAlways) SetFixedRows(FFixedRowsMin);
  FMaxRowCount = std::max(FMaxRowCount, Value);
  SetNormalRowCount(Value);
  UpdateFooter();
  UpdateVertScrollProportional();
  UpdateHorzScrollProportional();
  UpdateAlwaysScrollBars(false);
  if (FScrollType != ssNormal) UpdateFlatScrollBars();
  if (FFloatingFooter && FFloatingFooter->Visible() && Value != n && n > 0 && Value > 0) {
    // The footer row moves to the new last row. A record the new last row
    // held before is freed first: the row it belonged to is overwritten.
    const int from = n - 1;
    const int to = Value - 1;
    for (int c = 0; c < TotalColCount(); ++c) {
      TObject* fromObject = GetGridObject(c, from);
      if (GetGridObject(c, to) != fromObject) FreeCellProperties(c, to);
      SetGridCell(c, to, GetGridCell(c, from));
      SetGridObject(c, to, fromObject);
    }
    FNilObjects = true;
    ClearRows(from, 1);
    FNilObjects = false;
    CalcFooter(-1);
  }
}

void TKitStringGrid::SetColCount(int Value) {
  if (Value < 0) throw EKitGridError(QStringLiteral("Invalid column count ") + QString::number(Value));
  const size_t v = FVisibleCol.size();
  SetRawColCount(Value);
  // Rows of the store are made with room for every column at once.
  Store().SetRowHint(TotalColCount());
  const size_t all = size_t(ColCount() + NumHiddenColumns());
  FVisibleCol.resize(all, true);
  for (size_t i = v; i < all; ++i) FVisibleCol[i] = true;
  FAllColWidths.resize(all, 0);
  if (ColCount() > FFixedColsMin && FFixedColAlways) SetFixedCols(FFixedColsMin);
  FMaxColCount = std::max(FMaxColCount, Value);
  for (int c = FSuppressColSizes->Count(); c < ColCount(); ++c) FSuppressColSizes->Add(ColWidths(c));
  UpdateFooter();
  UpdateSearchPanel();
  SetBounds(Left(), Top(), Width(), Height());
  UpdateHorzScrollProportional();
  UpdateVertScrollProportional();
  UpdateAlwaysScrollBars(false);
}

int TKitStringGrid::FixedRows() const {
  const int n = RawFixedRows();
  return n == 0 && FFixedRowAlways ? 1 : n;
}

void TKitStringGrid::SetFixedRows(int Value) {
  if (Value < 0) throw EKitGridError(QStringLiteral("Invalid fixed row count ") + QString::number(Value));
  if (FFixedRowAlways && Value >= RowCount()) SetRawFixedRows(std::max(RowCount() - 1, 0));
  else SetRawFixedRows(Value);
  if (!ComponentState().Contains(csLoading)) FFixedRowsMin = Value;
}

int TKitStringGrid::FixedCols() const {
  const int n = RawFixedCols();
  return n == 0 && FFixedColAlways ? 1 : n;
}

void TKitStringGrid::SetFixedCols(int Value) {
  if (Value < 0) throw EKitGridError(QStringLiteral("Invalid fixed column count ") + QString::number(Value));
  if (FFixedColAlways && Value >= ColCount()) SetRawFixedCols(std::max(ColCount() - 1, 0));
  else SetRawFixedCols(Value);
  if (!ComponentState().Contains(csLoading)) FFixedColsMin = Value;
}

void TKitStringGrid::SetFixedFooters(int Value) {
  FFixedFooters = Value;
  Invalidate();
}

void TKitStringGrid::SetFixedRightCols(int Value) {
  FFixedRightCols = Value;
  Invalidate();
}

void TKitStringGrid::SetDefaultRowHeight(int Value) {
  TCustomGrid::SetDefaultRowHeight(Value);
  if (ComponentState().Contains(csDesigning) && !ComponentState().Contains(csLoading)) FFixedRowHeight = Value;
  if (FFloatingFooter) FFloatingFooter->SetHeight(Value);
}

void TKitStringGrid::SetFixedRowHeight(int Value) {
  FFixedRowHeight = Value;
  if (ComponentState().Contains(csLoading)) return;
  for (int r = 0; r < RawFixedRows() && r < RowCount(); ++r) SetRowHeights(r, Value);
}

int TKitStringGrid::FixedColWidth() const { return ColCount() > 0 ? ColWidths(0) : 0; }

void TKitStringGrid::SetFixedColWidth(int Value) {
  if (ComponentState().Contains(csLoading) || Value == DefaultColWidth()) return;
  for (int c = 0; c < RawFixedCols() && c < ColCount(); ++c) SetColWidths(c, Value);
}

void TKitStringGrid::SetDefaultAlignment(TAlignment Value) {
  if (FDefaultAlignment == Value) return;
  FDefaultAlignment = Value;
  Invalidate();
}

void TKitStringGrid::SetWordWrap(bool Value) {
  FWordWrapEx = Value;
  SetBaseWordWrap(Value);
  if (FUpdateCount == 0) Invalidate();
}

void TKitStringGrid::SetCol(int Value) {
  const int o = Col();
  SetRawCol(Value);
  FDisSelection = GetSelection();
  FAECol = -1;
  FAERow = -1;
  if (Value != o && FSyncGrid && FSyncGrid->Grid() != nullptr && FSyncGrid->SelectionColumn()) {
    if (auto* other = dynamic_cast<TKitStringGrid*>(FSyncGrid->Grid())) {
      if (other != this) {
        TNotifyEvent click = std::move(other->OnClick);
        other->OnClick = nullptr;
        try {
          other->SetCol(Col());
        } catch (...) {
          other->OnClick = std::move(click);
          throw;
        }
        other->OnClick = std::move(click);
      }
    } else if (auto* grid = dynamic_cast<TCustomGrid*>(FSyncGrid->Grid())) {
      grid->SetCol(Col());
    }
  }
}

void TKitStringGrid::SetTopRowEx(int Value) {
  if (Value >= RawFixedRows() && Value <= RowCount() - 1) SetRawTopRow(Value);
}

int TKitStringGrid::FixedCellsWidth() {
  int w = 0;
  for (int c = 0; c < RawFixedCols() && c < ColCount(); ++c) w += ColWidths(c);
  for (int c = std::max(ColCount() - FFixedRightCols, 0); c < ColCount(); ++c) w += ColWidths(c);
  return w;
}

int TKitStringGrid::FilteredRows() {
  if (FFilterType == ftHide) return RowCount();
  int n = RowCount();
  for (int r = FixedRows(); r < RowCount(); ++r)
    if (IsSuppressedRow(r)) --n;
  return n;
}

bool TKitStringGrid::IsSuppressedRow(int RowIndex) const {
  return RowIndex >= 0 && RowIndex < RowCount() && RowHeights(RowIndex) == 0;
}

// ---------------------------------------------------------------------------
// Cell text by real row and column

QString TKitStringGrid::GetCellsEx(int c, int r) {
  if (c < 0 || r < 0) return QString();
  if (IsHiddenRow(r)) {
    TStrings* row = GetHiddenRowStrings(r);
    if (row == nullptr) return QString();
    while (row->Count() <= c) row->Add(QString());
    QString value = row->Strings(c);
    GetDisplText(c, r, value);
    return value;
  }
  return GetCellEx(c, RealToDisplRow(r));
}

void TKitStringGrid::SetCellsEx(int c, int r, const QString& Value) {
  if (IsHiddenRow(r)) {
    TStrings* row = GetHiddenRowStrings(r);
    if (row == nullptr) return;
    while (row->Count() <= c) row->Add(QString());
    row->SetStrings(c, Value);
    return;
  }
  const int d = RealToDisplRow(r);
  SetCellEx(c, d, Value);
  if (RealToDisplCol(c) != c) RepaintCell(RealToDisplCol(c), d);
}

QString TKitStringGrid::AllGridCells(int c, int r) const {
  if (IsHiddenRow(r)) {
    TStrings* row = GetHiddenRowStrings(r);
    return row ? row->Strings(c) : QString();
  }
  return GetGridCell(c, RealToDisplRow(r));
}

void TKitStringGrid::SetAllGridCells(int c, int r, const QString& Value) {
  if (IsHiddenRow(r)) {
    if (TStrings* row = GetHiddenRowStrings(r)) row->SetStrings(c, Value);
    return;
  }
  const int d = RealToDisplRow(r);
  SetGridCell(c, d, Value);
  if (RealToDisplCol(c) != c) RepaintCell(RealToDisplCol(c), d);
}

QString TKitStringGrid::OriginalCells(int c, int r) {
  int p = ColumnPosition(c);
  if (p == -1) p = c;
  return GetCellEx(p, r);
}

void TKitStringGrid::SetOriginalCells(int c, int r, const QString& Value) {
  int p = ColumnPosition(c);
  if (p == -1) p = c;
  SetCellEx(p, r, Value);
}

int TKitStringGrid::ColumnPosition(int ACol) const {
  if (FColumnOrder->Count() == 0) return -1;
  for (int i = 0; i < FColumnOrder->Count(); ++i)
    if (FColumnOrder->Items(i) == ACol) return i;
  return -1;
}

QString TKitStringGrid::UnSortedCells(int c, int r) { return GetCellEx(c, UnSortedRowIndex(r)); }

void TKitStringGrid::SetUnSortedCells(int c, int r, const QString& Value) { SetCellEx(c, UnSortedRowIndex(r), Value); }

int TKitStringGrid::SortedRowIndex(int ARow) const {
  if (ARow >= 0 && FSortRowXRef->Count() > ARow) return FSortRowXRef->Items(ARow);
  return ARow;
}

int TKitStringGrid::UnSortedRowIndex(int ARow) const {
  if (FSortRowXRef->Count() == 0) return ARow;
  for (int i = 0; i < FSortRowXRef->Count(); ++i)
    if (FSortRowXRef->Items(i) == ARow) return i;
  return FSortRowXRef->Count();
}

QString TKitStringGrid::GetCurrentCell() {
  const TPoint base = BaseCell(GetRealCol(), Row());
  if (FVirtualEdit) return GetCurrentCellValue();
  return GetGridCell(base.X, base.Y);
}

QString TKitStringGrid::GetCurrentCellValue() {
  const TPoint base = BaseCell(GetRealCol(), Row());
  return GetCellEx(base.X, base.Y);
}

void TKitStringGrid::SetCurrentCell(const QString& AValue) {
  const TPoint base = BaseCell(GetRealCol(), Row());
  SetCellEx(base.X, base.Y, AValue);
}

void TKitStringGrid::GetCurrentEditText(const QString& Value) {
  int bc = 0, br = 0;
  if (ResolveBaseCell(GetRealCol(), Row(), bc, br)) TBaseGrid::SetEditText(Col(), Row(), Value);
  else TBaseGrid::SetEditText(bc, br, Value);
}

bool TKitStringGrid::IsWideCell(int c, int r) { return GetCellEx(c, r).startsWith(WideTextPrefix); }

int TKitStringGrid::LinesInCell(int c, int r) { return CountLines(GetCellEx(c, r), true); }

// ---------------------------------------------------------------------------
// Objects, controls and widths

TObject* TKitStringGrid::AllObjects(int c, int r) const {
  if (IsHiddenRow(r)) {
    TStrings* row = GetHiddenRowStrings(r);
    if (row == nullptr) return nullptr;
    TObject* o = row->Objects(c);
    if (auto* rec = dynamic_cast<TCellProperties*>(o)) return rec->CellObject();
    return o;
  }
  return GetObjectEx(c, RealToDisplRow(r));
}

void TKitStringGrid::SetAllObjects(int c, int r, TObject* Value) {
  if (IsHiddenRow(r)) {
    TStrings* row = GetHiddenRowStrings(r);
    if (row == nullptr) return;
    if (auto* rec = dynamic_cast<TCellProperties*>(row->Objects(c))) {
      rec->SetCellObject(Value);
    } else {
      auto rec2 = std::make_unique<TCellProperties>(this, c, r);
      rec2->SetCellObject(Value);
      row->SetObjects(c, rec2.release());
    }
    return;
  }
  SetObjectEx(c, RealToDisplRow(r), Value);
}

TObject* TKitStringGrid::GetCellPropertiesEx(int c, int r) const {
  if (IsHiddenRow(r)) {
    TStrings* row = GetHiddenRowStrings(r);
    return row ? row->Objects(c) : nullptr;
  }
  return GetGridObject(c, RealToDisplRow(r));
}

TControl* TKitStringGrid::CellControls(int c, int r) const {
  TCellProperties* rec = FindCellProperties(c, r);
  return rec ? rec->Control() : nullptr;
}

void TKitStringGrid::SetCellControls(int c, int r, TControl* AControl) {
  TCellProperties* rec = GetCellProperties(c, r);
  const int realRow = RealRowIndex(r);
  if (AControl == nullptr) {
    if (rec->Control() != nullptr) {
      const int i = FControlList->ControlIndex(c, realRow);
      if (i >= 0) FControlList->RemoveControl(i);
      if (FNumCellControls > 0) --FNumCellControls;
    }
    rec->SetControl(nullptr);
    return;
  }
  const int i = FControlList->ControlIndex(c, realRow);
  if (i >= 0) FControlList->RemoveControl(i);
  if (rec->Control() == nullptr) ++FNumCellControls;
  FControlList->AddControl(c, realRow, AControl);
  rec->SetControl(AControl);
  const TRect R = CellRect(c, r);
  AControl->SetParent(this);
  AControl->SetBounds(R.Left, R.Top, R.Right - R.Left - 1, R.Bottom - R.Top - 1);
}

int TKitStringGrid::AllColWidths(int c) const {
  if (c < 0 || size_t(c) >= FAllColWidths.size())
    throw EListError(Format(QString::fromUtf8(RtlConsts::SListIndexError), {c}));
  if (IsHiddenColumn(c)) return FAllColWidths[size_t(c)];
  return ColWidths(RealToDisplCol(c));
}

void TKitStringGrid::SetAllColWidths(int c, int Value) {
  if (c < 0 || size_t(c) >= FAllColWidths.size())
    throw EListError(Format(QString::fromUtf8(RtlConsts::SListIndexError), {c}));
  FAllColWidths[size_t(c)] = Value;
  if (!IsHiddenColumn(c)) SetColWidths(RealToDisplCol(c), Value);
}

void TKitStringGrid::SetCursor(TCursor Value) {
  TControl::SetCursor(Value);
  FOldCursor = Value;
}

// ---------------------------------------------------------------------------
// Per-cell appearance

namespace {
// Writers repaint the cell unless an update is in progress.
}  // namespace

TColor TKitStringGrid::Colors(int c, int r) const {
  TCellProperties* rec = FindCellProperties(c, r);
  return rec ? rec->BrushColor() : clNone;
}

void TKitStringGrid::SetColors(int c, int r, TColor Value) {
  TCellProperties* rec = GetCellProperties(c, r);
  if (FUpdateCount > 0) rec->SetFieldBrushColor(Value);
  else rec->SetBrushColor(Value);
}

TColor TKitStringGrid::ColorsTo(int c, int r) const {
  TCellProperties* rec = FindCellProperties(c, r);
  return rec ? rec->BrushColorTo() : clNone;
}

void TKitStringGrid::SetColorsTo(int c, int r, TColor Value) {
  GetCellProperties(c, r)->SetBrushColorTo(Value);
  RepaintCell(DisplColIndex(c), r);
}

TCellGradientDirection TKitStringGrid::Gradients(int c, int r) const {
  TCellProperties* rec = FindCellProperties(c, r);
  return rec ? rec->GradientDirection() : GradientVertical;
}

void TKitStringGrid::SetGradients(int c, int r, TCellGradientDirection Value) {
  GetCellProperties(c, r)->SetGradientDirection(Value);
  RepaintCell(DisplColIndex(c), r);
}

TColor TKitStringGrid::FontColors(int c, int r) const {
  TCellProperties* rec = FindCellProperties(c, r);
  return rec ? rec->FontColor() : clNone;
}

void TKitStringGrid::SetFontColors(int c, int r, TColor Value) {
  GetCellProperties(c, r)->SetFontColor(Value);
  if (FUpdateCount == 0) RepaintCell(DisplColIndex(c), r);
}

TFontStyles TKitStringGrid::FontStyles(int c, int r) const {
  TCellProperties* rec = FindCellProperties(c, r);
  return rec ? rec->FontStyle() : TFontStyles();
}

void TKitStringGrid::SetFontStyles(int c, int r, TFontStyles Value) {
  GetCellProperties(c, r)->SetFontStyle(Value);
  if (FUpdateCount == 0) RepaintCell(DisplColIndex(c), r);
}

QString TKitStringGrid::FontNames(int c, int r) const {
  TCellProperties* rec = FindCellProperties(c, r);
  return rec ? rec->FontName() : Font()->Name();
}

void TKitStringGrid::SetFontNames(int c, int r, const QString& Value) {
  GetCellProperties(c, r)->SetFontName(Value);
  if (FUpdateCount == 0) RepaintCell(DisplColIndex(c), r);
}

namespace {
// Pixels per inch of the grid's canvas; 96 without a window.
int CanvasPixelsPerInch(TKitStringGrid* Grid) {
  if (!Grid->HandleAllocated()) return 96;
  const int dpi = GetDeviceCaps(Grid->Canvas()->Handle(), LOGPIXELSY);
  return dpi > 0 ? dpi : 96;
}
}  // namespace

int TKitStringGrid::FontSizes(int c, int r) {
  TCellProperties* rec = FindCellProperties(c, r);
  const int height = rec ? rec->FontSize() : Font()->Height();
  return MulDiv(-height, 72, CanvasPixelsPerInch(this));
}

void TKitStringGrid::SetFontSizes(int c, int r, int Value) {
  const int dpi = HandleAllocated() ? CanvasPixelsPerInch(this) : 96;
  GetCellProperties(c, r)->SetFontSize(-MulDiv(Value, dpi, 72));
  if (FUpdateCount == 0) RepaintCell(DisplColIndex(c), r);
}

TAlignment TKitStringGrid::Alignments(int c, int r) const {
  TCellProperties* rec = FindCellProperties(c, r);
  return rec ? rec->Alignment() : taLeftJustify;
}

void TKitStringGrid::SetAlignments(int c, int r, TAlignment Value) {
  GetCellProperties(c, r)->SetAlignment(Value);
  if (FUpdateCount == 0) RepaintCell(DisplColIndex(c), r);
}

bool TKitStringGrid::GetReadOnly(int c, int r) const {
  TCellProperties* rec = FindCellProperties(c, r);
  return rec != nullptr && rec->ReadOnly();
}

void TKitStringGrid::SetReadOnly(int c, int r, bool Value) {
  GetCellProperties(c, r)->SetReadOnly(Value);
  if (FUpdateCount == 0) RepaintCell(DisplColIndex(c), r);
}

bool TKitStringGrid::WordWraps(int c, int r) { return GetCellProperties(c, r)->WordWrap(); }

void TKitStringGrid::SetWordWraps(int c, int r, bool Value) {
  TCellProperties* rec = GetCellProperties(c, r);
  if (FUpdateCount > 0) rec->SetFieldWordWrap(Value);
  else rec->SetWordWrap(Value);
}

TFont* TKitStringGrid::Fonts(int c, int r) {
  TCellProperties* rec = FindCellProperties(c, r);
  if (rec == nullptr) return Font();
  FCellFont->SetName(rec->FontName());
  FCellFont->SetHeight(rec->FontSize());
  FCellFont->SetStyle(rec->FontStyle());
  FCellFont->SetColor(rec->FontColor());
  return FCellFont.get();
}

void TKitStringGrid::SetFonts(int c, int r, TFont* Value) {
  if (Value == nullptr) return;
  TCellProperties* rec = GetCellProperties(c, r);
  rec->SetFontName(Value->Name());
  rec->SetFontSize(Value->Height());
  rec->SetFontStyle(Value->Style());
  rec->SetFontColor(Value->Color());
  if (FUpdateCount == 0) RepaintCell(DisplColIndex(c), r);
}

void TKitStringGrid::ApplyRowColor(int r, TColor Value, int Which) {
  if (r < 0 || r >= RowCount())
    throw EKitGridError(QStringLiteral("Invalid row ") + QString::number(r) + QStringLiteral(" accessed"));
  const int last = AllColCount() - 1;
  for (int c = FixedCols(); c <= last; ++c) {
    if (Value != clNone) {
      TCellProperties* rec = GetCellProperties(c, r);
      if (Which == 0) rec->SetFieldBrushColor(Value);
      else if (Which == 1) rec->SetFieldBrushColorTo(Value);
      else rec->SetFontColor(Value);
      continue;
    }
    TCellProperties* rec = FindCellProperties(c, r);
    if (rec == nullptr) continue;
    const bool keep = !GetGridCell(c, r).isEmpty() || rec->CellObject() != nullptr || IsMergedCell(c, r) ||
                      rec->GraphicObject() != nullptr || rec->Control() != nullptr ||
                      (Which == 2 && rec->BrushColor() != clNone);
    if (keep) {
      if (Which == 0) rec->SetFieldBrushColor(clNone);
      else if (Which == 1) rec->SetFieldBrushColorTo(clNone);
      else rec->SetFontColor(clNone);
    } else {
      FreeCellProperties(c, r);
    }
  }
  RepaintRow(r);
}

void TKitStringGrid::SetRowColor(int r, TColor Value) { ApplyRowColor(r, Value, 0); }
void TKitStringGrid::SetRowColorTo(int r, TColor Value) { ApplyRowColor(r, Value, 1); }
void TKitStringGrid::SetRowFontColor(int r, TColor Value) { ApplyRowColor(r, Value, 2); }

// ---------------------------------------------------------------------------
// Update locking

void TKitStringGrid::BeginUpdate() {
  if (FUpdateCount == 0) SetUpdating(true);
  ++FUpdateCount;
  // Only the window's redraw lock depends on the grid being shown.
  if (Visible() && HandleAllocated() && !FRedrawLocked) {
    Perform(WM_SETREDRAW, 0, 0);
    FRedrawLocked = true;
  }
}

void TKitStringGrid::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  if (ComponentState().Contains(csDestroying)) return;
  if (FUpdateCount != 0) return;
  SetUpdating(false);
  FSelChange = false;
  if (HandleAllocated()) {
    if (FRedrawLocked || Visible()) Perform(WM_SETREDRAW, 1, 0);
    FRedrawLocked = false;
    ::InvalidateRect(Handle(), nullptr, FALSE);
    PaintGridBorder();
    if (FSearchFooter && FSearchFooter->Visible() && FSearchPanel != nullptr && FSearchPanel->HandleAllocated()) {
      FSearchPanel->SetTop(Top() + 1);
      UpdateSearchPanel();
    }
    if (FControlList->Count() > 0) CellControlsUpdate(false);
  } else {
    FRedrawLocked = false;
  }
}

void TKitStringGrid::ResetFixedCellHighlight() {
  FFixedSizingLeft = false;
  FFixedSizingRight = false;
  FNoMouseLeave = false;
  if (FHoverFixedCells != hfNone && !(FHoverFixedCell.X == -1 && FHoverFixedCell.Y == -1)) {
    const TGridCoord cell = FHoverFixedCell;
    FHoverFixedCell = TGridCoord{-1, -1};
    RepaintCell(cell.X, cell.Y);
  }
}

// ---------------------------------------------------------------------------
// Zoom

void TKitStringGrid::Zoom(int x) {
  const int z = FZoomFactor + x;
  if (z > 20 || z < -20) return;
  FScrollLock = true;
  FZoomFactor = z;
  BeginUpdate();
  const int step = int(Round(x * GetDPIScale()));
  for (int c = 0; c < ColCount(); ++c) {
    const int w = ColWidths(c);
    if (w > 0 && x + w > 0) SetColWidths(c, w + step);
  }
  BeginZoom();
  for (int r = 0; r < RowCount(); ++r) {
    const int h = RowHeights(r);
    if (h > 0 && x + h > 0) SetRowHeights(r, h + step);
  }
  EndZoom();
  RowHeightsChanged();
  FScrollLock = false;
  EndUpdate();
  if (FScrollProportional && FScrollType != ssMetro) {
    UpdateVertScrollProportional();
    UpdateHorzScrollProportional();
  }
}

void TKitStringGrid::ZoomReset() { Zoom(-FZoomFactor); }

// ---------------------------------------------------------------------------
// Simple setters

namespace {
template <class T>
bool StoreChanged(T& Field, const T& Value) {
  if (Field == Value) return false;
  Field = Value;
  return true;
}
}  // namespace

void TKitStringGrid::SetSelectionColor(TColor Value) {
  if (StoreChanged(FSelectionColor, Value)) Invalidate();
}
void TKitStringGrid::SetSelectionColorTo(TColor Value) {
  if (StoreChanged(FSelectionColorTo, Value)) Invalidate();
}
void TKitStringGrid::SetSelectionMirrorColor(TColor Value) {
  if (StoreChanged(FSelectionMirrorColor, Value)) Invalidate();
}
void TKitStringGrid::SetSelectionMirrorColorTo(TColor Value) {
  if (StoreChanged(FSelectionMirrorColorTo, Value)) Invalidate();
}
void TKitStringGrid::SetSelectionTextColor(TColor Value) {
  if (StoreChanged(FSelectionTextColor, Value)) Invalidate();
}
void TKitStringGrid::SetSelectionRectangleColor(TColor Value) {
  if (StoreChanged(FSelectionRectangleColor, Value)) Invalidate();
}
void TKitStringGrid::SetSelectionColorMixer(bool Value) {
  if (StoreChanged(FSelectionColorMixer, Value)) Invalidate();
}
void TKitStringGrid::SetSelectionRectangle(bool Value) {
  if (StoreChanged(FSelectionRectangle, Value)) Invalidate();
}
void TKitStringGrid::SetSelectionResizer(bool Value) {
  if (StoreChanged(FSelectionResizer, Value)) Invalidate();
}

void TKitStringGrid::SetSelectionColorMixerFactor(int Value) {
  if (Value == FSelectionColorMixerFactor) return;
  FSelectionColorMixerFactor = std::clamp(Value, 0, 100);
  Invalidate();
}

void TKitStringGrid::SetShowSelection(bool Value) {
  if (FShowSelection == Value) return;
  FShowSelection = Value;
  FShowSel = Value;
  Invalidate();
}

void TKitStringGrid::SetMaxEditLength(int Value) {
  FMaxEditLength = Value;
  if (TInplaceEdit* editor = InplaceEditor()) editor->SetMaxLength(std::max(Value, 0));
}

void TKitStringGrid::SetSizeWithForm(bool Value) {
  if (FSizeWithForm == Value) return;
  FSizeWithForm = Value;
  SetAnchors(TAnchors{akLeft, akTop, akRight, akBottom});
}

void TKitStringGrid::SetSpreadSheet(bool Value) {
  FSpreadSheet = Value;
  SetSelectionRectangle(true);
  SetSelectionResizer(true);
  FNavigation->SetAllowSmartClipboard(true);
  SetOptions(Options() + TGridOptions{goRangeSelect, goEditing});
  FMouseActions->SetRangeSelectAndEdit(true);
}

void TKitStringGrid::SetVAlignment(TVAlignment Value) {
  FVAlignment = Value;
  FVAlign = Value == vtaTop ? 0 : Value == vtaCenter ? 4 : 8;
  if (FUpdateCount == 0) Invalidate();
}

void TKitStringGrid::SetAutoSize(bool Value) {
  FAutoSize = Value;
  if (Value && !ComponentState().Contains(csLoading)) AutoSizeColumns(false, 10);
}

void TKitStringGrid::SetFlat(bool Value) {
  FFlat = Value;
  if (!ComponentState().Contains(csLoading)) Invalidate();
}

void TKitStringGrid::SetUseStyleServices(bool Value) {
  if (FUseStyleServices == Value) return;
  FUseStyleServices = Value;
  ApplyStyleColors(true);
}

void TKitStringGrid::SetShowDesignHelper(bool Value) {
  if (StoreChanged(FShowDesignHelper, Value)) Invalidate();
}

void TKitStringGrid::SetActiveCellShow(bool Value) {
  FActiveCellShow = Value;
  Invalidate();
}

void TKitStringGrid::SetActiveCellColor(TColor Value) {
  FActiveCellColor = Value;
  Invalidate();
}

void TKitStringGrid::SetActiveCellColorTo(TColor Value) {
  FActiveCellColorTo = Value;
  Invalidate();
}

void TKitStringGrid::SetFormatType(TFormatType Value) {
  if (StoreChanged(FFormatType, Value)) Invalidate();
}

void TKitStringGrid::SetVDXGradientColor(const QString& PropertyName, TColor Value) {
  if (PropertyName == u"VDXGradientFrom") FVDXGradientFrom = Value;
  else if (PropertyName == u"VDXGradientTo") FVDXGradientTo = Value;
  else if (PropertyName == u"VDXGradientMirrorFrom") FVDXGradientMirrorFrom = Value;
  else if (PropertyName == u"VDXGradientMirrorTo") FVDXGradientMirrorTo = Value;
  else FVDXGradients.insert(PropertyName, Value);
  if (FUpdateCount == 0) Invalidate();
}

TColor TKitStringGrid::VDXGradientColor(const QString& PropertyName) const {
  if (PropertyName == u"VDXGradientFrom") return FVDXGradientFrom;
  if (PropertyName == u"VDXGradientTo") return FVDXGradientTo;
  if (PropertyName == u"VDXGradientMirrorFrom") return FVDXGradientMirrorFrom;
  if (PropertyName == u"VDXGradientMirrorTo") return FVDXGradientMirrorTo;
  return FVDXGradients.value(PropertyName, clNone);
}

void TKitStringGrid::SetVDXGradientFrom(TColor Value) {
  FVDXGradientFrom = ColorToRGB(Value);
  Invalidate();
}
void TKitStringGrid::SetVDXGradientTo(TColor Value) {
  FVDXGradientTo = ColorToRGB(Value);
  Invalidate();
}
void TKitStringGrid::SetVDXGradientMirrorFrom(TColor Value) {
  FVDXGradientMirrorFrom = ColorToRGB(Value);
  Invalidate();
}
void TKitStringGrid::SetVDXGradientMirrorTo(TColor Value) {
  FVDXGradientMirrorTo = ColorToRGB(Value);
  Invalidate();
}

void TKitStringGrid::SetAutoColor(TAutoColor* Value) { FAutoColor->Assign(Value); }

void TKitStringGrid::SetOfficeHint(TKitHintInfo* Value) { FOfficeHint->Assign(Value); }

void TKitStringGrid::SetSyncGrid(TSyncGrid* Value) { FSyncGrid->Assign(Value); }

void TKitStringGrid::SetCellChecker(TKitStringGridCheck* Value) { FCellChecker = Value; }

void TKitStringGrid::SetScrollBars(TScrollStyle Value) {
  FScrollBars = Value;
  SetRawScrollBars(FScrollType == ssMetro ? ssNone : Value);
}

void TKitStringGrid::SetURLColor(TColor Value) {
  if (StoreChanged(FURLColor, Value) && FURLShow) Invalidate();
}
void TKitStringGrid::SetURLShow(bool Value) {
  if (StoreChanged(FURLShow, Value)) Invalidate();
}
void TKitStringGrid::SetURLShowInText(bool Value) {
  if (StoreChanged(FURLShowInText, Value)) Invalidate();
}
void TKitStringGrid::SetURLUnderline(bool Value) {
  if (StoreChanged(FURLUnderline, Value)) Invalidate();
}
void TKitStringGrid::SetURLFull(bool Value) {
  FURLFull = Value;
  if (FURLShow) Invalidate();
}
