// Clickable controls in cells: two- and three-state check boxes (plain,
// data and row boxes), single radio buttons that form groups along a column
// or a row, radio groups inside one cell, and push buttons. Their states,
// toggles (with the undo record of a toggle) and hit tests.
//
// With Grouping.AutoCheckGroup the boxes of a column keep node groups in
// step: a node's box sets the boxes of the rows it spans, and every node
// above a toggled row shows whether its rows agree (checked, unchecked or
// grayed). A node's toggle that changed its rows is one undo step; undo
// restores the rows and the nodes then show their rows' agreement again.
//
// Radio button groups are not stored: a group is the contiguous run of
// radio-button cells in the column (rgCol) or row (rgRow) found when a
// button is checked.

#include <algorithm>
#include <memory>
#include <vector>

#include "grid/model/KitGrid.h"
#include "grid/model/KitGridUndo.h"
#include "platform/rtl/SysUtils.h"

namespace {

const TCellTypes kCheckKinds{ctCheckBox, ctDataCheckBox, ctVirtCheckBox, ctRowCheckBox, ctTriStateCheckBox};
const TCellTypes kDataKinds{ctDataCheckBox, ctVirtCheckBox, ctRowCheckBox};
const TCellTypes kButtonKinds{ctButton, ctBitButton, ctVirtButton};

TCellVAlign VAlignOf(TVAlignment A) { return A == vtaCenter ? vaCenter : (A == vtaBottom ? vaBottom : vaTop); }

[[noreturn]] void RaiseIndex(int Index) {
  throw EListError(QStringLiteral("List index out of bounds (%1)").arg(Index));
}

}  // namespace

// Negative indexes are refused here (they would address no cell); indexes
// past the grid raise "Invalid cell".
void TKitStringGrid::CheckAddBounds(int ACol, int ARow) {
  if (ACol < 0) RaiseIndex(ACol);
  if (ARow < 0) RaiseIndex(ARow);
  if (ACol >= ColCount() + NumHiddenColumns() || ARow >= RowCount() + NumHiddenRows())
    throw Exception(QStringLiteral("Invalid cell"));
}

// ---------------------------------------------------------------------------
// Check boxes

void TKitStringGrid::AddCheckBox(int ACol, int ARow, bool State, bool Data) {
  CheckAddBounds(ACol, ARow);
  TCellGraphic* g = CreateCellGraphic(ACol, ARow);
  g->SetCheckBox(State, Data, true, haBeforeText, VAlignOf(FVAlignment));
  if (Data) {
    const QString text = GetCellEx(ACol, ARow);
    if (text != FCheckTrue && text != FCheckFalse) SetCellEx(ACol, ARow, State ? FCheckTrue : FCheckFalse);
  }
  RepaintCell(DisplColIndex(ACol), ARow);
}

void TKitStringGrid::AddCheckBox(int ACol, int ARow, TCheckBoxState State) {
  CheckAddBounds(ACol, ARow);
  TCellGraphic* g = CreateCellGraphic(ACol, ARow);
  g->SetCheckBox(State, true, haBeforeText, VAlignOf(FVAlignment));
  RepaintCell(DisplColIndex(ACol), ARow);
}

void TKitStringGrid::AddCheckBoxColumn(int ACol, bool DefaultState, bool DataCheckBox) {
  if (ACol == 0 && FMouseActions->HotmailRowSelect()) return;
  const int first = FMouseActions->CheckAllCheck() ? std::max(FixedRows() - 1, 0) : FixedRows();
  const bool autoGroup = FGrouping->AutoCheckGroup();
  BeginUpdate();
  for (int r = first; r <= RowCount() - FFixedFooters - 1; ++r) {
    if (IsSummary(r)) continue;
    if (IsNode(r)) {
      if (autoGroup) AddCheckBox(ACol, r, DefaultState ? cbChecked : cbUnchecked);
      else if (FGroupColumn == -1) AddCheckBox(ACol, r, DefaultState, DataCheckBox);
      continue;
    }
    AddCheckBox(ACol, r, DefaultState, DataCheckBox);
  }
  EndUpdate();
  if (autoGroup) Invalidate();
}

void TKitStringGrid::AddTriStateCheckBoxColumn(int ACol, TCheckBoxState State) {
  const int first = FMouseActions->CheckAllCheck() ? std::max(FixedRows() - 1, 0) : FixedRows();
  BeginUpdate();
  for (int r = first; r <= RowCount() - 1; ++r) AddCheckBox(ACol, r, State);
  EndUpdate();
}

void TKitStringGrid::RemoveCheckBox(int ACol, int ARow) {
  const TCellType type = GetCellType(ACol, ARow);
  if (type != ctCheckBox && type != ctDataCheckBox && type != ctTriStateCheckBox) return;
  // The attached balloon goes with the graphic (its destructor frees it).
  RemoveCellGraphic(ACol, ARow);
  RepaintCell(DisplColIndex(ACol), ARow);
}

void TKitStringGrid::RemoveCheckBoxColumn(int ACol) {
  const int first = FMouseActions->CheckAllCheck() ? std::max(FixedRows() - 1, 0) : FixedRows();
  for (int r = first; r < RowCount(); ++r)
    if (HasCheckBox(ACol, r)) RemoveCheckBox(ACol, r);
}

bool TKitStringGrid::HasCheckBox(int ACol, int ARow) { return HasCellType(ACol, ARow, kCheckKinds); }

bool TKitStringGrid::HasDataCheckBox(int ACol, int ARow) { return HasCellType(ACol, ARow, kDataKinds); }

bool TKitStringGrid::IsDataCheckBoxColumn(int ACol) {
  if (RowCount() - FixedRows() < 2) return false;
  return HasDataCheckBox(ACol, FixedRows()) && HasDataCheckBox(ACol, FixedRows() + 1);
}

bool TKitStringGrid::GetCheckBoxState(int ACol, int ARow, bool& State) {
  if (ACol == 0 && FMouseActions->HotmailRowSelect()) {
    if (ARow < 0) return false;
    State = GetRowSelect(ARow);
    return true;
  }
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  if (g == nullptr) return false;
  QString checkTrue;
  GetCheckTrue(ACol, ARow, checkTrue);
  switch (g->CellType()) {
    case ctCheckBox:
      State = g->CellBoolean();
      return true;
    case ctDataCheckBox:
    case ctVirtCheckBox:
      State = GetCellEx(ACol, ARow) == checkTrue;
      return true;
    case ctTriStateCheckBox:
      State = g->CellCheckBoxState() == cbChecked;
      return true;
    case ctRowCheckBox:
      State = GetRowSelect(ARow);
      return true;
    default:
      return false;
  }
}

bool TKitStringGrid::GetCheckBoxState(int ACol, int ARow, TCheckBoxState& State) {
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  if (g != nullptr && g->CellType() == ctTriStateCheckBox) {
    State = g->CellCheckBoxState();
    return true;
  }
  bool checked = false;
  if (!GetCheckBoxState(ACol, ARow, checked)) return false;
  State = checked ? cbChecked : cbUnchecked;
  return true;
}

bool TKitStringGrid::IsChecked(int ACol, int ARow) {
  bool state = false;
  GetCheckBoxState(ACol, ARow, state);
  return state;
}

bool TKitStringGrid::SetCheckBoxState(int ACol, int ARow, bool State) {
  if (ACol == 0 && FMouseActions->HotmailRowSelect()) {
    if (ARow < 0) return false;
    SetRowSelect(ARow, State);
    return true;
  }
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  if (g == nullptr) return false;
  switch (g->CellType()) {
    case ctCheckBox:
      g->SetCellBoolean(State);
      RepaintCell(DisplColIndex(ACol), ARow);
      return true;
    case ctTriStateCheckBox:
      g->SetCellCheckBoxState(State ? cbChecked : cbUnchecked);
      RepaintCell(DisplColIndex(ACol), ARow);
      return true;
    case ctDataCheckBox:
    case ctVirtCheckBox: {
      QString text;
      if (State) GetCheckTrue(ACol, ARow, text);
      else GetCheckFalse(ACol, ARow, text);
      SetCellEx(ACol, ARow, text);
      RepaintCell(DisplColIndex(ACol), ARow);
      return true;
    }
    case ctRowCheckBox:
      SetRowSelect(ARow, State);
      return true;
    default:
      return false;
  }
}

bool TKitStringGrid::SetCheckBoxState(int ACol, int ARow, TCheckBoxState State) {
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  if (g == nullptr || g->CellType() != ctTriStateCheckBox) return false;
  g->SetCellCheckBoxState(State);
  RepaintCell(DisplColIndex(ACol), ARow);
  return true;
}

void TKitStringGrid::SetCheckBoxText(int ACol, int ARow, const QString& Value) {
  SetCheckBoxState(ACol, ARow, Value != FCheckTrue);
}

bool TKitStringGrid::ChangeCheckBoxState(int ACol, int ARow, bool Value) {
  const int row = DisplToRealRow(ARow);
  if (ACol == 0 && FMouseActions->HotmailRowSelect()) {
    if (row < 0) return false;
    const bool was = GetRowSelect(row);
    SetRowSelect(row, Value);
    if (was != Value) CheckBoxChange(ACol, ARow, Value);
    return true;
  }
  TCellGraphic* g = GetCellGraphic(ACol, row);
  if (g == nullptr) return false;
  switch (g->CellType()) {
    case ctCheckBox: {
      const bool was = g->CellBoolean();
      SetCheckBoxState(ACol, row, Value);
      if (was != Value) CheckBoxChange(ACol, ARow, Value);
      return true;
    }
    case ctTriStateCheckBox:
      SetCheckBoxState(ACol, row, Value);
      return false;
    case ctDataCheckBox:
    case ctVirtCheckBox: {
      bool was = false;
      GetCheckBoxState(ACol, row, was);
      SetCheckBoxState(ACol, row, Value);
      if (was != Value) CheckBoxChange(ACol, ARow, Value);
      return true;
    }
    case ctRowCheckBox: {
      const bool was = GetRowSelect(row);
      SetRowSelect(row, Value);
      if (was != Value) CheckBoxChange(ACol, ARow, Value);
      return true;
    }
    default:
      return false;
  }
}

void TKitStringGrid::CheckAll(int ACol) {
  for (int r = FixedRows(); r < RowCount(); ++r) ChangeCheckBoxState(ACol, r, true);
  if (NumHiddenColumns() > 0) RepaintCol(DisplColIndex(ACol));
}

void TKitStringGrid::UnCheckAll(int ACol) {
  for (int r = FixedRows(); r < RowCount(); ++r) ChangeCheckBoxState(ACol, r, false);
}

bool TKitStringGrid::InCheckGroup(int ARow) {
  // Grouping makes node rows; nodes added by hand form groups as well.
  return FGrouping->AutoCheckGroup() && (FGroupColumn != -1 || HasNodes()) && ARow >= FixedRows();
}

void TKitStringGrid::UpdateNodeCheck(int ACol, int ANode) {
  if (!IsNode(ANode)) return;
  const int span = GetNodeSpanRows(ANode);
  bool anyChecked = false, anyUnchecked = false;
  for (int i = 1; i < span && ANode + i < RowCount(); ++i) {
    TCheckBoxState state = cbUnchecked;
    if (!GetCheckBoxState(ACol, ANode + i, state)) continue;  // a row without box has no say
    if (state != cbUnchecked) anyChecked = true;
    if (state != cbChecked) anyUnchecked = true;
  }
  if (!anyChecked && !anyUnchecked) return;
  const TCheckBoxState state = !anyUnchecked ? cbChecked : (!anyChecked ? cbUnchecked : cbGrayed);
  SetCheckBoxState(ACol, DisplToRealRow(ANode), state);
}

void TKitStringGrid::UpdateAncestorChecks(int ACol, int ARow) {
  // Each node above shows the agreement of all its rows, nested ones
  // included; a top node is its own parent.
  int row = ARow;
  for (;;) {
    const int parent = GetParentRow(row);
    if (parent < 0 || parent >= row) break;
    UpdateNodeCheck(ACol, parent);
    row = parent;
  }
}

void TKitStringGrid::UndoSetCheckBoxText(int ACol, int ARow, const QString& Value) {
  SetCheckBoxText(ACol, ARow, Value);
  if (!InCheckGroup(ARow)) return;
  // A node's box shows its rows' agreement (they are restored by their own
  // entries), and so do the nodes above.
  if (IsNode(ARow)) UpdateNodeCheck(ACol, ARow);
  UpdateAncestorChecks(ACol, ARow);
}

bool TKitStringGrid::ToggleCellCheckBox(int ACol, int ARow, bool CheckEditable) {
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  if (g == nullptr) return false;
  const TCellType type = g->CellType();
  QString checkTrue, checkFalse;
  GetCheckTrue(ACol, ARow, checkTrue);
  GetCheckFalse(ACol, ARow, checkFalse);

  // 2. The state before, and the veto.
  bool state = false;
  switch (type) {
    case ctDataCheckBox:
    case ctVirtCheckBox: state = GetCellEx(ACol, ARow) == checkTrue; break;
    case ctRowCheckBox: state = ARow >= 0 && GetRowSelect(ARow); break;
    case ctTriStateCheckBox: state = g->CellCheckBoxState() == cbChecked; break;
    default: state = g->CellBoolean(); break;
  }
  bool allow = true;
  if (OnCheckBoxCanToggle) OnCheckBoxCanToggle(this, ACol, ARow, state, allow);
  if (!allow) return false;

  // 3. The group context: a node row's span, or another row's parent.
  const bool group = InCheckGroup(ARow);
  const bool nodeRow = group && IsNode(ARow);
  const int nodeSpan = nodeRow ? GetNodeSpanRows(ARow) : 0;
  const bool contracted = nodeRow && NodeState(ARow);

  // 4. Only boxes toggle, and only editable ones unless always active.
  if (!kCheckKinds.Contains(type)) return false;
  if (CheckEditable && !FControlLook->CheckAlwaysActive()) {
    bool canEdit = true;
    IsCellEditable(ACol, ARow, canEdit);
    if (!canEdit) return false;
  }

  // 5. The new state. A node row moves a three-state box between checked
  // and unchecked only.
  bool newState = !state;
  switch (type) {
    case ctCheckBox:
      g->SetCellBoolean(newState);
      break;
    case ctDataCheckBox:
    case ctVirtCheckBox:
      newState = GetCellEx(ACol, ARow) != checkTrue;
      SetCellEx(ACol, ARow, newState ? checkTrue : checkFalse);
      break;
    case ctRowCheckBox:
      newState = !state;
      if (ARow >= 0) SetRowSelect(ARow, newState);
      break;
    case ctTriStateCheckBox: {
      TCheckBoxState next = cbUnchecked;
      switch (g->CellCheckBoxState()) {
        case cbUnchecked:
          next = IsNode(ARow) || FNavigation->ToggleTriStateCheck() == tsCheckUnCheck ? cbChecked : cbGrayed;
          break;
        case cbGrayed: next = cbChecked; break;
        case cbChecked: next = cbUnchecked; break;
      }
      g->SetCellCheckBoxState(next);
      newState = next == cbChecked;
      break;
    }
    default:
      break;
  }

  // 6. Repaint, then the group follows: a node's rows take its state (by
  // real row, from the node's real row while it is contracted); the node
  // above a row (and each node above that) shows whether its rows agree.
  // The rows a node changed are kept for undo with their state before.
  RepaintCell(DisplColIndex(ACol), ARow);
  struct TChanged {
    int Row;
    bool Before;
  };
  std::vector<TChanged> changed;
  if (nodeRow) {
    const int first = contracted ? DisplToRealRow(ARow) : ARow;
    for (int i = 1; i < nodeSpan; ++i) {
      const int r = first + i;
      bool before = false;
      const bool readable = GetCheckBoxState(ACol, r, before);
      TCheckBoxState three = cbUnchecked;
      GetCheckBoxState(ACol, r, three);
      if (!SetCheckBoxState(ACol, r, newState) || !readable) continue;
      // A grayed nested node that becomes unchecked changed as well; undo
      // gives it back its rows' agreement.
      if (before != newState || three == cbGrayed) changed.push_back({r, before});
    }
  }
  if (group) UpdateAncestorChecks(ACol, ARow);

  // 7.
  CheckBoxChange(ACol, ARow, newState);
  FGridModified = true;
  // Undo and redo set a box to the state opposite to the text they write:
  // the text opposite to the state before, and to the state after. For a
  // two-state box that is the new state's text and the old one's; a
  // three-state box that went from unchecked to grayed (checked neither
  // time) is thus undone to unchecked, not to checked. A node's toggle that
  // changed its rows is one step of undo: its rows first, the node last, so
  // that undoing restores the rows and the node then shows their agreement.
  if (TKitGridUndoRedo* undo = UndoRedo()) {
    const QString before = state ? checkFalse : checkTrue;
    const QString after = newState ? checkFalse : checkTrue;
    if (changed.empty()) {
      undo->RegisterCheckBoxChange(ACol, DisplToRealRow(ARow), before, after);
    } else {
      undo->StartSequence();
      for (const TChanged& c : changed) {
        QString rowTrue, rowFalse;
        GetCheckTrue(ACol, c.Row, rowTrue);
        GetCheckFalse(ACol, c.Row, rowFalse);
        undo->RegisterCheckBoxChange(ACol, c.Row, c.Before ? rowFalse : rowTrue, newState ? rowFalse : rowTrue);
      }
      undo->RegisterCheckBoxChange(ACol, DisplToRealRow(ARow), before, after);
      undo->StopSequence();
    }
  }
  return true;
}

bool TKitStringGrid::IsInCheckBox(int ACol, int ARow, int XPos, int YPos) {
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  if (g == nullptr) return false;
  const TCellType type = g->CellType();
  if (!kCheckKinds.Contains(type) && type != ctRadioButton) return false;
  if (!FMouseActions->PreciseCheckBoxCheck()) return true;

  const TRect r = CellRect(DisplColIndex(ACol), ARow);
  TAlignment ha = taLeftJustify;
  TVAlignment va = g->CellVAlign() == vaCenter ? vtaCenter : (g->CellVAlign() == vaBottom ? vtaBottom : vtaTop);
  if (OnGetAlignment) OnGetAlignment(this, ARow, ACol, ha, va);
  const double scale = GetDPIScale();
  const int checkSize = FControlLook->CheckSize();
  const int s = int(Round(checkSize * scale));
  const int m = int(Round(2 * scale));
  int top = r.Top + m;
  if (va == vtaCenter) top = r.Top + (r.Bottom - r.Top - checkSize) / 2;
  else if (va == vtaBottom) top = r.Bottom - m - checkSize;
  const int bottom = top + s;

  TVAlignment cellVa = vtaTop;
  GetCellAlignment(ACol, ARow, ha, cellVa);
  const bool hasText = !GetCellEx(ACol, ARow).isEmpty();
  const int textWidth = hasText ? GetCellTextSize(DisplColIndex(ACol), ARow, false, false).cx : 0;
  int left = r.Left + m;
  if (ha == taRightJustify) left = r.Right - m - s - textWidth;
  else if (ha == taCenter) left = r.Left + (r.Right - r.Left - textWidth - s) / 2;
  const int right = left + s;
  return XPos >= left && XPos < right && YPos >= top && YPos < bottom;
}

// ---------------------------------------------------------------------------
// Single radio buttons

void TKitStringGrid::AddRadioButtonGroup(int ACol, int ARow, TRadioButtonGroup Group, bool State) {
  CheckAddBounds(ACol, ARow);
  TCellGraphic* g = CreateCellGraphic(ACol, ARow);
  g->SetRadioButton(State, true, haBeforeText, VAlignOf(FVAlignment), Group);
  RepaintCell(DisplColIndex(ACol), ARow);
}

void TKitStringGrid::AddRadioButtonColumn(int ACol) {
  BeginUpdate();
  for (int r = FixedRows(); r < RowCount(); ++r) AddRadioButton(ACol, r, false);
  EndUpdate();
}

void TKitStringGrid::AddRadioButtonGroupColumn(int ACol) {
  BeginUpdate();
  for (int r = FixedRows(); r < RowCount(); ++r) AddRadioButtonGroup(ACol, r, rgRow, false);
  EndUpdate();
}

void TKitStringGrid::RemoveRadioButtonColumn(int ACol) {
  for (int r = 0; r < RowCount(); ++r)
    if (HasRadioButton(ACol, r)) RemoveRadioButton(ACol, r);
}

void TKitStringGrid::RemoveRadioButton(int ACol, int ARow) {
  if (RemoveCellGraphicType(ACol, ARow, ctRadioButton)) RepaintCell(DisplColIndex(ACol), ARow);
}

bool TKitStringGrid::HasRadioButton(int ACol, int ARow) { return HasCellType(ACol, ARow, TCellTypes{ctRadioButton}); }

bool TKitStringGrid::HasRadioButtonGroup(int ACol, int ARow, TRadioButtonGroup Group) {
  if (!HasRadioButton(ACol, ARow)) return false;
  const TPoint base = BaseCell(ACol, ARow);
  return GetCellGraphic(base.X, base.Y)->CellAngle() == int(Group);
}

bool TKitStringGrid::IsRadioButtonChecked(int ACol, int ARow) {
  if (!HasRadioButton(ACol, ARow)) return false;
  const TPoint base = BaseCell(ACol, ARow);
  return GetCellGraphic(base.X, base.Y)->CellBoolean();
}

bool TKitStringGrid::SetRadioButtonState(int ACol, int ARow, bool State) {
  if (!HasRadioButton(ACol, ARow)) return false;
  const TPoint base = BaseCell(ACol, ARow);
  TCellGraphic* g = GetCellGraphic(base.X, base.Y);
  if (g->CellBoolean() != State) {
    g->SetCellBoolean(State);
    RepaintCell(DisplColIndex(ACol), ARow);
  }
  return true;
}

void TKitStringGrid::SetRadioButtonRowIndex(int ARow, int Index) {
  for (int c = FixedCols(); c < ColCount(); ++c) SetRadioButtonState(c, ARow, c == Index);
}

void TKitStringGrid::SetRadioButtonColumnIndex(int ACol, int Index) {
  for (int r = FixedRows(); r < RowCount(); ++r) SetRadioButtonState(ACol, r, r == Index);
}

int TKitStringGrid::GetRadioButtonColumnIndex(int ACol) {
  for (int r = FixedRows(); r < RowCount(); ++r)
    if (IsRadioButtonChecked(ACol, r)) return r;
  return -1;
}

bool TKitStringGrid::ToggleCellRadio(int ACol, int ARow, bool CheckEditable) {
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  if (g == nullptr || g->CellType() != ctRadioButton) return false;
  if (CheckEditable && !FControlLook->RadioAlwaysActive()) {
    bool canEdit = true;
    IsCellEditable(ACol, ARow, canEdit);
    if (!canEdit) return false;
  }
  if (!g->CellBoolean()) {
    g->SetCellBoolean(true);
    RepaintCell(DisplColIndex(ACol), ARow);
    // Unchecks one neighbour; false at the end of the contiguous run.
    auto uncheck = [this](int c, int r) {
      TCellGraphic* n = GetCellGraphic(c, r);
      if (n == nullptr || n->CellType() != ctRadioButton) return false;
      if (n->CellBoolean()) {
        n->SetCellBoolean(false);
        RepaintCell(DisplColIndex(c), r);
      }
      return true;
    };
    if (g->CellAngle() == rgCol) {
      for (int r = ARow + 1; r < RowCount() && uncheck(ACol, r); ++r) {
      }
      for (int r = ARow - 1; r >= 0 && uncheck(ACol, r); --r) {
      }
    } else if (g->CellAngle() == rgRow) {
      const int last = ColCount() + NumHiddenColumns();
      for (int c = ACol + 1; c < last && uncheck(c, ARow); ++c) {
      }
      for (int c = ACol - 1; c >= 0 && uncheck(c, ARow); --c) {
      }
    }
  }
  FGridModified = true;
  return true;
}

// ---------------------------------------------------------------------------
// Radio groups inside one cell

void TKitStringGrid::AddRadio(int ACol, int ARow, int DirRadio, int IdxRadio, TStrings* sl) {
  TCellGraphic* g = CreateCellGraphic(ACol, ARow);
  g->SetCellType(ctRadio);
  g->SetCellBitmap(sl);
  g->SetCellCreated(false);
  g->SetCellBoolean(DirRadio != 0);
  g->SetCellIndex(IdxRadio);
  g->SetCellAngle(sl ? sl->Count() : 0);
  RepaintCell(DisplColIndex(ACol), ARow);
}

TStrings* TKitStringGrid::CreateRadio(int ACol, int ARow, int DirRadio, int IdxRadio) {
  auto list = std::make_unique<TStringList>();
  TStrings* result = list.get();
  AddRadio(ACol, ARow, DirRadio, IdxRadio, list.release());
  GetCellGraphic(ACol, ARow)->SetCellCreated(true);
  return result;
}

bool TKitStringGrid::GetRadioIdx(int ACol, int ARow, int& IdxRadio) {
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  if (g == nullptr || g->CellType() != ctRadio) return false;
  IdxRadio = g->CellIndex();
  return true;
}

bool TKitStringGrid::SetRadioIdx(int ACol, int ARow, int IdxRadio) {
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  if (g == nullptr || g->CellType() != ctRadio) return false;
  g->SetCellIndex(IdxRadio);
  if (IdxRadio == -1) SetCellEx(ACol, ARow, QString());
  RepaintCell(DisplColIndex(ACol), ARow);
  return true;
}

TStrings* TKitStringGrid::GetRadioStrings(int ACol, int ARow) {
  if (!IsRadio(ACol, ARow)) return nullptr;
  const TPoint base = BaseCell(ACol, ARow);
  return dynamic_cast<TStrings*>(GetCellGraphic(base.X, base.Y)->CellBitmap());
}

bool TKitStringGrid::IsRadio(int ACol, int ARow) { return HasCellType(ACol, ARow, TCellTypes{ctRadio}); }

void TKitStringGrid::NextRadioIdx(int ACol, int ARow, bool CheckEditable) {
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  if (g == nullptr || g->CellType() != ctRadio) return;
  if (CheckEditable && !FControlLook->RadioAlwaysActive()) {
    bool canEdit = true;
    IsCellEditable(ACol, ARow, canEdit);
    if (!canEdit) return;
  }
  auto* choices = dynamic_cast<TStrings*>(g->CellBitmap());
  const int count = choices ? choices->Count() : 0;
  if (count == 0) return;
  const int selected = g->CellIndex();
  int next = selected + 1;
  if (selected < 0) next = choices->IndexOf(GetCellEx(ACol, ARow)) + 1;
  if (next >= count) next = 0;
  if (selected >= -1) g->SetCellIndex(next);
  g->SetCellVar(next);
  SetCellEx(ACol, ARow, choices->Strings(next));
  RepaintCell(DisplColIndex(ACol), ARow);
}

// ---------------------------------------------------------------------------
// Buttons

void TKitStringGrid::AddButton(int ACol, int ARow, int bw, int bh, const QString& Caption, TCellHAlign hal,
                               TCellVAlign val) {
  TCellGraphic* g = CreateCellGraphic(ACol, ARow);
  g->SetButton(bw, bh, Caption, hal, val);
  RepaintCell(DisplColIndex(ACol), ARow);
}

void TKitStringGrid::AddBitButton(int ACol, int ARow, int bw, int bh, const QString& Caption, TBitmap* Glyph,
                                  TCellHAlign hal, TCellVAlign val) {
  TCellGraphic* g = CreateCellGraphic(ACol, ARow);
  g->SetBitButton(bw, bh, Caption, Glyph, hal, val);
  RepaintCell(DisplColIndex(ACol), ARow);
}

TBitmap* TKitStringGrid::CreateBitButton(int ACol, int ARow, int bw, int bh, const QString& Caption,
                                         TCellHAlign hal, TCellVAlign val) {
  auto glyph = std::make_unique<TBitmap>();
  TBitmap* result = glyph.get();
  TCellGraphic* g = CreateCellGraphic(ACol, ARow);
  g->SetBitButton(bw, bh, Caption, glyph.release(), hal, val);
  g->SetCellCreated(true);
  return result;
}

void TKitStringGrid::SetButtonText(int ACol, int ARow, const QString& Caption) {
  if (TCellGraphic* g = GetCellGraphic(DisplToRealCol(ACol), ARow)) {
    g->SetCellText(Caption);
    RepaintCell(ACol, ARow);
  }
}

QString TKitStringGrid::GetButtonText(int ACol, int ARow) {
  TCellGraphic* g = GetCellGraphic(DisplToRealCol(ACol), ARow);
  return g ? g->CellText() : QString();
}

void TKitStringGrid::PushButton(int ACol, int ARow, bool Push) {
  TCellGraphic* g = GetCellGraphic(DisplToRealCol(ACol), ARow);
  if (g == nullptr || g->CellType() == ctNode) return;
  g->SetCellBoolean(Push);
  RepaintCell(ACol, ARow);
}

void TKitStringGrid::RemoveButton(int ACol, int ARow) {
  if (!RemoveCellGraphicType(ACol, ARow, ctButton)) RemoveCellGraphicType(ACol, ARow, ctBitButton);
}

void TKitStringGrid::RemoveBitButton(int ACol, int ARow) { RemoveCellGraphicType(ACol, ARow, ctBitButton); }

void TKitStringGrid::RemoveAllButtons() {
  for (int c = 0; c < ColCount(); ++c)
    for (int r = 0; r < RowCount(); ++r)
      if (HasButton(c, r)) RemoveButton(c, r);
}

bool TKitStringGrid::HasButton(int ACol, int ARow) { return HasCellType(ACol, ARow, kButtonKinds); }

TRect TKitStringGrid::GetButtonRect(int ACol, int ARow) {
  TCellGraphic* g = GetCellGraphic(DisplToRealCol(ACol), ARow);
  if (g == nullptr) return TRect(0, 0, 0, 0);
  const TRect cell = CellRect(ACol, ARow);
  const uint32_t offset = uint32_t(int64_t(Round(g->CellValue())));
  const int x = int(offset & 0xFFFF);
  const int y = int((offset >> 16) & 0xFFFF);
  const double scale = GetDPIScale();
  const int bw = g->CellIndex() & 0xFFFF;
  const int bh = int((uint32_t(g->CellIndex()) >> 16) & 0xFFFF);
  TRect r(cell.Left + x, cell.Top + y, cell.Left + x + int(Round(bw * scale)), cell.Top + y + int(Round(bh * scale)));
  if (g->CellVAlign() == vaFull) {
    r.Top = cell.Top;
    r.Bottom = cell.Bottom;
  }
  if (g->CellHAlign() == haFull) {
    r.Left = cell.Left;
    r.Right = cell.Right;
  }
  return r;
}

TRect TKitStringGrid::GetExpandRect(int ACol, int ARow) {
  TCellGraphic* g = GetCellGraphic(DisplToRealCol(ACol), ARow);
  if (g == nullptr || g->CellType() != ctExpand) return TRect(0, 0, 0, 0);
  const TRect cell = CellRect(ACol, ARow);
  return TRect(cell.Right - 13, cell.Top + 2, cell.Right - 2, cell.Top + 13);
}
