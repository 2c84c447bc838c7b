// The virtual operations of the string grid through which it asks the
// application (or a descendant) before or while it acts, the dispatch hooks
// that apply the grid's own rule and then fire the published event, and the
// simple behaviour of the grid's later subsystems while they are absent.

#include <QCursor>
#include <QGuiApplication>

#include "gdiplus/KitHintInfo.h"
#include "foundation/KitMiniHTMLText.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridUtils.h"
#include "platform/vcl/Forms.h"

// ---------------------------------------------------------------------------
// Dispatch hooks, in slot order

void TKitStringGrid::CanEditCell(int ACol, int ARow, bool& CanEdit) {
  if (OnCanEditCell) OnCanEditCell(this, ARow, ACol, CanEdit);
}

void TKitStringGrid::CanSort(int ACol, bool& DoSort) {
  if (OnCanSort) OnCanSort(this, ACol, DoSort);
}

void TKitStringGrid::SearchFooterAction(const QString& Value, int ACol, int ARow, TSearchAction Action) {
  if (OnSearchFooterAction) OnSearchFooterAction(this, Value, ACol, ARow, Action);
}

QString TKitStringGrid::SearchFooterSearch(const QString& Value) {
  QString copy = Value;
  if (OnSearchFooterSearch) OnSearchFooterSearch(this, copy);
  return copy;
}

void TKitStringGrid::SearchFooterSearchEnd(bool& ContinueFromStart) {
  if (OnSearchFooterSearchEnd) OnSearchFooterSearchEnd(this, ContinueFromStart);
}

void TKitStringGrid::ButtonClick(int ACol, int ARow) {
  if (OnButtonClick) OnButtonClick(this, ACol, ARow);
}

void TKitStringGrid::ExpandClick(int ACol, int ARow, bool Expanded) {
  if (OnExpandClick) OnExpandClick(this, ACol, ARow, Expanded);
  // Expandable cells keep their row height until nodes and expandable
  // cells exist.
}

void TKitStringGrid::ComboCloseUp(int ARow, int ACol) {
  if (OnComboCloseUp) OnComboCloseUp(this, ARow, ACol);
}

void TKitStringGrid::ComboDropDown(int ARow, int ACol) {
  // The combo editor's edit-field height follows the cell when the editor
  // exists; the in-place combo comes with the editors.
  if (OnComboDropDown) OnComboDropDown(this, ARow, ACol);
}

void TKitStringGrid::GetCellCursor(int ACol, int ARow, int X, int Y) {
  if (!OnGetCellCursor) return;
  TCursor cursor = Screen ? Screen->Cursor() : crDefault;
  OnGetCellCursor(this, ACol, ARow, X, Y, cursor);
  // A different cursor shows at once; the grid's Cursor stays as it is.
  if (cursor != Cursor() && Screen) Screen->SetCursor(cursor);
}

void TKitStringGrid::GridHint(int ACol, int ARow, QString& WideHint, QString& Hint) {
  if (OnGridHint) {
    OnGridHint(this, ARow, ACol, Hint);
    if (!FOfficeHint->Notes()->Text().isEmpty()) Hint = FOfficeHint->Notes()->Text();
  }
  if (OnGridWideHint) {
    OnGridWideHint(this, ARow, ACol, WideHint);
    if (!WideHint.isEmpty()) Hint = EncodeWideText(WideHint);
  }
  if (OnOfficeHint) OnOfficeHint(this, ACol, ARow, FOfficeHint.get());
}

void TKitStringGrid::GetCellColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont) {
  if (FActiveCellShow) {
    const int d = DisplColIndex(ACol);
    if ((ARow == Row() && d == RawFixedCols() - 1 && RawFixedCols() > 0) ||
        (d == Col() && ARow == RawFixedRows() - 1 && RawFixedRows() > 0)) {
      AFont->Assign(FActiveCellFont.get());
      ABrush->SetColor(FActiveCellColor);
    }
  }
  if (TCellProperties* rec = FindCellProperties(ACol, ARow)) {
    static const TCellTypes kOwnColour{ctIcon, ctNone, ctImageList, ctCheckBox, ctEmpty, ctImages, ctComment,
                                       ctRadioButton};
    if (kOwnColour.Contains(GetCellType(ACol, ARow)) && rec->BrushColor() != clNone)
      ABrush->SetColor(rec->BrushColor());
    if (rec->FontColor() != clNone) AFont->SetColor(rec->FontColor());
    if (!rec->FontStyle().Empty()) AFont->SetStyle(rec->FontStyle());
    if (rec->FontSize() != 0) AFont->SetHeight(rec->FontSize());
    if (!rec->FontName().isEmpty()) AFont->SetName(rec->FontName());
  } else {
    AFont->SetHeight(int(Round(AFont->Height() * GetDPIScale())));
  }
  if (OnGetCellColor) OnGetCellColor(this, ARow, ACol, AState, ABrush, AFont);
}

void TKitStringGrid::GetCellPrintColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont) {
  if (OnGetCellPrintColor) OnGetCellPrintColor(this, ARow, ACol, AState, ABrush, AFont);
}

void TKitStringGrid::GetCellBorder(int ACol, int ARow, TPen* APen, TCellBorders& Borders) {
  if (FGrouping->HeaderUnderline() && IsNode(ARow) && ACol > 0) {
    Borders = TCellBorders{cbBottom};
    APen->SetColor(FGrouping->HeaderLineColor());
    APen->SetWidth(FGrouping->HeaderLineWidth());
  }
  if (FGrouping->SummaryLine() && IsSummary(ARow) && ACol > 0) {
    Borders = TCellBorders{cbTop};
    APen->SetColor(FGrouping->SummaryLineColor());
    APen->SetWidth(FGrouping->SummaryLineWidth());
  }
  if (OnGetCellBorder) OnGetCellBorder(this, ARow, ACol, APen, Borders);
}

void TKitStringGrid::GetCellPrintBorder(int ACol, int ARow, TPen* APen, TCellBorders& Borders) {
  if (OnGetCellPrintBorder) OnGetCellPrintBorder(this, ARow, ACol, APen, Borders);
}

void TKitStringGrid::GetAlignment(int ACol, int ARow, TAlignment& HAlign, TVAlignment& VAlign) {
  if (ACol == 0 && FMouseActions->HotmailRowSelect()) HAlign = taCenter;
  if (OnGetAlignment) OnGetAlignment(this, ARow, ACol, HAlign, VAlign);
}

void TKitStringGrid::GetFormat(int ACol, TSortStyle& AStyle, QString& APrefix, QString& ASuffix) {
  if (OnGetFormat) OnGetFormat(this, ACol, AStyle, APrefix, ASuffix);
}

void TKitStringGrid::GetEditorType(int ACol, int ARow, TEditorType& AEditor) {
  if (OnGetEditorType) OnGetEditorType(this, ACol, ARow, AEditor);
}

void TKitStringGrid::GetCellEditorType(int ACol, int ARow, TEditorType& AEditor) {
  if (OnGetEditorType) OnGetEditorType(this, ACol, ARow, AEditor);
}

bool TKitStringGrid::HasNoEditor(int ACol, int ARow, TEditorType& AEditor) {
  if (!OnGetEditorType) return false;
  AEditor = edNormal;
  OnGetEditorType(this, ACol, ARow, AEditor);
  return AEditor == edNone;
}

void TKitStringGrid::IsFixedCell(int ACol, int ARow, bool& IsFixed) {
  IsFixed = IsFixed || (FFixedRowAlways && ARow <= FFixedRowsMin && RowCount() == FFixedRowsMin) ||
            (FFixedColAlways && ACol < FFixedColsMin && ColCount() == FFixedColsMin) || ACol < FixedCols() ||
            ARow < FixedRows();
  if (!IsFixed && OnIsFixedCell) OnIsFixedCell(this, ARow, ACol, IsFixed);
}

void TKitStringGrid::IsCellEditable(int ACol, int ARow, bool& CanEdit) {
  const TPoint base = BaseCell(ACol, ARow);
  const int allCols = ColCount() + NumHiddenColumns();
  if (TCellProperties* rec = FindCellProperties(base.X, base.Y); rec != nullptr && CanEdit) {
    CanEdit = !rec->ReadOnly();
    if (!Options().Contains(goEditing) && !FEditingDisabled && !FMouseActions->RangeSelectAndEdit())
      CanEdit = false;
    if (base.X < allCols) CanEditCell(base.X, base.Y, CanEdit);
  } else {
    if (base.X < allCols) CanEditCell(base.X, base.Y, CanEdit);
    else CanEdit = true;
  }
}

void TKitStringGrid::IsPasswordCell(int ACol, int ARow, bool& IsPassword) {
  if (OnIsPasswordCell) OnIsPasswordCell(this, ARow, ACol, IsPassword);
}

void TKitStringGrid::GetWordWrap(int ACol, int ARow, bool& WordWrap) {
  if (OnGetWordWrap) OnGetWordWrap(this, ACol, ARow, WordWrap);
}

namespace {
TEditorType EditorKindOf(TKitStringGrid* Grid, int ACol, int ARow, TEditorType AEditor, bool Spin) {
  if (AEditor != edNone) return AEditor;
  TEditorType kind = Grid->DefaultEditor();
  if (Spin) Grid->GetEditorType(ACol, ARow, kind);
  else Grid->GetCellEditorType(ACol, ARow, kind);
  return kind;
}
}  // namespace

bool TKitStringGrid::HasComboBox(int ACol, int ARow, TEditorType AEditor) {
  if (OnHasComboBox) {
    bool result = false;
    OnHasComboBox(this, ACol, ARow, result);
    return result;
  }
  if (!FControlLook->DropDownAlwaysVisible()) return false;
  switch (EditorKindOf(this, ACol, ARow, AEditor, false)) {
    case edComboEdit:
    case edComboList:
    case edDetailDropDown:
    case edGridDropDown:
    case edKitGridDropDown:
      return true;
    default:
      // A custom editor link answers for edCustom once editor links exist.
      return false;
  }
}

bool TKitStringGrid::HasEditBtn(int ACol, int ARow, TEditorType AEditor) {
  if (OnHasEditBtn) {
    bool result = false;
    OnHasEditBtn(this, ACol, ARow, result);
    return result;
  }
  if (!FControlLook->DropDownAlwaysVisible()) return false;
  return EditorKindOf(this, ACol, ARow, AEditor, false) == edEditBtn;
}

bool TKitStringGrid::HasSpinEdit(int ACol, int ARow, TEditorType AEditor) {
  if (ACol < FixedCols() || ARow < FixedRows()) return false;
  if (OnHasSpinEdit) {
    bool result = false;
    OnHasSpinEdit(this, ACol, ARow, result);
    return result;
  }
  if (!FControlLook->SpinButtonsAlwaysVisible()) return false;
  switch (EditorKindOf(this, ACol, ARow, AEditor, true)) {
    case edSpinEdit:
    case edFloatSpinEdit:
    case edTimeSpinEdit:
    case edDateSpinEdit:
      return true;
    default:
      return false;
  }
}

bool TKitStringGrid::HasFilterEdit(int ACol, int ARow) {
  bool result = FFilterEdit->Enabled() && ARow == FFilterEdit->Row();
  if (result && FFilterEdit->Columns() == fdNormal)
    result = ACol >= FixedCols() && ACol < AllColCount() - FFixedRightCols;
  if (result && OnHasFilterEdit) OnHasFilterEdit(this, ACol, result);
  return result;
}

void TKitStringGrid::FilterEditUpdate(int ACol, const QString& Condition, TFilterType FilterType) {
  if (OnFilterEditUpdate) OnFilterEditUpdate(this, ACol, Condition, FilterType);
}

void TKitStringGrid::GetCheckTrue(int ACol, int ARow, QString& Value) {
  Value = FCheckTrue;
  if (OnGetCheckTrue) OnGetCheckTrue(this, ACol, ARow, Value);
}

void TKitStringGrid::GetCheckFalse(int ACol, int ARow, QString& Value) {
  Value = FCheckFalse;
  if (OnGetCheckFalse) OnGetCheckFalse(this, ACol, ARow, Value);
}

// ---------------------------------------------------------------------------
// Editor notification helpers

void TKitStringGrid::DoButtonClick() {
  if (OnButtonClick) OnButtonClick(this, Col(), Row());
}

// ---------------------------------------------------------------------------
// Other hooks

void TKitStringGrid::ClickSort(int ACol) {
  if (OnClickSort) OnClickSort(this, ACol);
}

void TKitStringGrid::ClickCell(int ARow, int ACol) {
  if (OnClickCell) OnClickCell(this, ARow, ACol);
}

int TKitStringGrid::GetSearchPanelHeight() { return std::max(1, int(Round(34 * GetDPIScale()))); }

void TKitStringGrid::ColumnSize(int ACol, bool& Allow) {
  if (OnColumnSize) OnColumnSize(this, ACol, Allow);
}

void TKitStringGrid::HideButtonForm() {
  if (FHoverButtonForm != nullptr) FHoverButtonForm->SetVisible(false);
}

void TKitStringGrid::GetFloatFormat(int ACol, int ARow, QString& Fmt) {
  Fmt = FFloatFormat;
  if (OnGetFloatFormat) {
    bool isFloat = true;
    QString format = Fmt;
    OnGetFloatFormat(this, ACol, ARow, isFloat, format);
    if (isFloat) Fmt = format;
  }
}

void TKitStringGrid::AssignCellFont(TFont* AFont, bool Fixed, bool Scale) {
  if (AFont == nullptr) return;
  AFont->Assign(Fixed && FUseFixedFont ? FFixedFont.get() : Font());
  const double scale = GetDPIScale();
  if (Scale && scale != 0) AFont->SetHeight(int(Round(AFont->Height() / scale)));
}

void TKitStringGrid::CheckBoxClick(int ACol, int ARow, bool State) {
  if (OnCheckBoxClick) OnCheckBoxClick(this, ACol, ARow, State);
}

void TKitStringGrid::FixedEdit(int ACol, int ARow, TGridFixedCellEditor& AEditor, TStrings* Values) {
  if (OnFixedEdit) OnFixedEdit(this, ACol, ARow, AEditor, Values);
}

bool TKitStringGrid::IsSelectionVisible() {
  if (!FShowSelection || FSelectionColor == clNone) return false;
  if (!FAutoHideSelection) return true;
  return Focused();
}

void TKitStringGrid::SelectionChanged(int ALeft, int ATop, int ARight, int ABottom) {
  if (FLook == glVista || FLook == glWin7 || FLook == glOffice2007) Invalidate();
  FSelChange = true;
  FDisSelection = GetSelection();
  if (OnSelectionChanged) OnSelectionChanged(this, ALeft, ATop, ARight, ABottom);
}

bool TKitStringGrid::BeforeEdit(int ACol, int ARow) {
  bool allow = true;
  if (OnBeforeEdit) OnBeforeEdit(this, ARow, ACol, allow);
  return allow;
}

void TKitStringGrid::FilterDone() {
  if (OnFilterDone) OnFilterDone(this);
}

void TKitStringGrid::FilterShow(int ACol, bool& Allow) {
  if (OnFilterShow) OnFilterShow(this, ACol, Allow);
}

void TKitStringGrid::FilterClose(int ACol) {
  if (OnFilterClose) OnFilterClose(this, ACol);
}

void TKitStringGrid::BeforeFilter() {
  if (OnBeforeFilter) OnBeforeFilter(this);
}

void TKitStringGrid::LoadCell(int ACol, int ARow, QString Value) {
  if (OnLoadCell) OnLoadCell(this, ACol, ARow, Value);
  SetGridCell(ACol, ARow, Value);
}

void TKitStringGrid::CanAddRow(bool& CanAdd) {
  if (OnCanAddRow) OnCanAddRow(this, CanAdd);
}

void TKitStringGrid::CanAddCol(bool& CanAdd) {
  if (OnCanAddCol) OnCanAddCol(this, CanAdd);
}

void TKitStringGrid::CanInsertRow(int ARow, bool& CanInsert) {
  if (OnCanInsertRow) OnCanInsertRow(this, ARow, CanInsert);
}

void TKitStringGrid::GetDesignMode(TObject*, bool& IsDesigning) {
  IsDesigning = ComponentState().Contains(csDesigning);
}

void TKitStringGrid::DisableEditing() { SetOptions(Options() - TGridOptions{goEditing}); }

void TKitStringGrid::FocusGrid(TObject*) {
  if (CanFocus()) SetFocus();
}

void TKitStringGrid::CheckBoxChange(int ACol, int ARow, bool State) {
  if (OnCheckBoxChange) OnCheckBoxChange(this, ACol, ARow, State);
}

bool TKitStringGrid::RatingChange(int ACol, int ARow, double& NewRate) {
  bool allow = true;
  if (OnRatingChange) OnRatingChange(this, ACol, ARow, NewRate, allow);
  return allow;
}

void TKitStringGrid::HoverButtonsShow(int X, int Y, bool& Allow) {
  if (OnHoverButtonsShow) OnHoverButtonsShow(this, X, Y, Allow);
}

void TKitStringGrid::IntelliZoom() {
  if (OnIntelliZoom) OnIntelliZoom(this);
}

QString TKitStringGrid::SaveCell(int ACol, int ARow) {
  QString value = FSaveVirtCells ? GetFormattedCell(ACol, ARow) : GetGridCell(ACol, ARow);
  if (!FSaveMergedCells && IsMergedNonBaseCell(ACol, ARow)) value.clear();
  // An empty check-box cell saves its state as the check texts.
  if (value.isEmpty()) {
    if (TCellGraphic* g = dynamic_cast<TCellGraphic*>(GetGraphicObjectEx(ACol, ARow))) {
      if (g->CellType() == ctCheckBox) {
        value = g->CellBoolean() ? FCheckTrue : FCheckFalse;
      } else if (g->CellType() == ctTriStateCheckBox) {
        switch (g->CellCheckBoxState()) {
          case cbUnchecked: value = FCheckFalse; break;
          case cbChecked: value = FCheckTrue; break;
          default: value = QStringLiteral("-"); break;
        }
      }
    }
  }
  // Marked-up text is saved as its plain text unless asked otherwise; rich
  // text keeps its markup on one line.
  const int kind = GetCellTextKind(value, true);
  if (kind == 1 && !FSaveWithHTML) value = MiniHtmlToText(value);
  if (kind == 2 && FSaveWithRTF) value.remove(u'\r').remove(u'\n');
  if (OnSaveCell) OnSaveCell(this, ACol, ARow, value);
  return value;
}

bool TKitStringGrid::HasCellCheckBox(int ACol, int ARow) {
  return HasCheckBox(ACol, ARow);
}

bool TKitStringGrid::IsFixed(int ACol, int ARow) {
  if (ACol < 0 || ARow < 0) return false;
  const TPoint base = BaseCell(RealColIndex(ACol), ARow);
  const int c = DisplColIndex(base.X);
  const int r = base.Y;
  if (r >= RowCount() - FFixedFooters && FFixedFooters > 0) return true;
  if (c >= ColCount() - FFixedRightCols && FFixedRightCols > 0) return true;
  bool fixed = false;
  IsFixedCell(c, r, fixed);
  return fixed;
}

bool TKitStringGrid::QueryPasswordCell(int ACol, int ARow) {
  bool isPassword = false;
  IsPasswordCell(ACol, ARow, isPassword);
  return isPassword;
}

void TKitStringGrid::GetCellAppearance(int ACol, int ARow, TFont* AFont, TBrush* ABrush, TColor& AColorTo,
                                       TColor& AMirrorColor, TColor& AMirrorColorTo, TAlignment& HA,
                                       TVAlignment& VA, bool& WW, TCellGradientDirection& GD) {
  const bool useDisabled = FUseDisabledFont;
  FUseDisabledFont = false;
  GD = GradientVertical;
  TGridDrawState state;
  try {
    GetVisualProperties(ACol, ARow, state, false, false, false, ABrush, AColorTo, AMirrorColor, AMirrorColorTo,
                        AFont, HA, VA, WW, GD);
  } catch (...) {
    FUseDisabledFont = useDisabled;
    throw;
  }
  FUseDisabledFont = useDisabled;
  if (IsFixed(ACol, ARow) || FBands->Active() || FBackGround->Display() == bdGradientHorz ||
      FBackGround->Display() == bdGradientVert || state.Contains(gdSelected)) {
    ABrush->SetColor(clNone);
    AColorTo = clNone;
  }
  AFont->SetHeight(int(Round(AFont->Height() * GetDPIScale())));
}

// ---------------------------------------------------------------------------
// Simple behaviour of subsystems the grid does not hold yet

void TKitStringGrid::UpdateFooter() {
  if (FFooterPanel != nullptr) FFooterPanel->Invalidate();
}

void TKitStringGrid::HideSelection() {
  if (FSelHidden) return;
  FSavedSelection = GetSelection();
  FSelHidden = true;
  TCustomGrid::SetSelection(MakeGridRect(ColCount(), RowCount(), ColCount(), RowCount()));
}

void TKitStringGrid::UnHideSelection() {
  if (!FSelHidden) return;
  FSelHidden = false;
  const TGridRect s = FSavedSelection;
  if (s.Left >= 0 && s.Top >= 0 && s.Right < ColCount() && s.Bottom < RowCount())
    TCustomGrid::SetSelection(s);
  else if (ColCount() > 0 && RowCount() > 0)
    FocusCell(std::min(RawFixedCols(), ColCount() - 1), std::min(RawFixedRows(), RowCount() - 1));
}

bool TKitStringGrid::IsSelected(int ACol, int ARow) {
  if (ACol < FixedCols() || ARow < FixedRows()) return false;
  if (FMouseActions->DisjunctRowSelect()) return GetRowSelect(ARow);
  if (FMouseActions->DisjunctColSelect()) return GetColSelect(ACol);
  return GetSelection().Contains(ACol, ARow);
}

void TKitStringGrid::SetSelection(const TGridRect& Value) {
  TCustomGrid::SetSelection(Value);
  if (FActiveCellShow) {
    if (RowCount() > 0) RepaintRow(0);
    if (ColCount() > 0) RepaintCol(0);
  }
  if (ActiveRowShow() && Value.Bottom >= 0 && Value.Bottom < RowCount()) RepaintRow(Value.Bottom);
}

void TKitStringGrid::AutoDeleteRow(int ARow) {
  if (HasNodes()) {
    if (GetParentRow(ARow) < 0)
      RemoveNormalRow(ARow);
    else
      RemoveChildRow(ARow);
    if (OnAutoDeleteRow) OnAutoDeleteRow(this, ARow);
    return;
  }
  // Without nodes: the last data row between the fixed rows and the fixed
  // footers is only emptied, unless fixed rows are kept always.
  const int dataRows = RowCount() - RawFixedRows() - FFixedFooters;
  if (dataRows == 1 && !FFixedRowAlways)
    ClearRows(ARow, 1);
  else
    RemoveRowRange(ARow, 1);
  if (OnAutoDeleteRow) OnAutoDeleteRow(this, ARow);
}
