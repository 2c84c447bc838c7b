// Disjunct row and column selection of the string grid, the selection
// counts, the distinct values of a column, and the modified and enabled
// states of rows. Every row and column index is checked.

#include <algorithm>

#include "grid/model/KitGrid.h"

namespace {
void* Flag(bool Value) { return reinterpret_cast<void*>(NativeInt(Value ? 1 : 0)); }
bool FlagOf(void* Item) { return reinterpret_cast<NativeInt>(Item) != 0; }
void GrowTo(TList* List, int Count) {
  if (List->Count() < Count) List->SetCount(Count);  // new entries are nullptr: unselected
}
const QString kInvalidRowAccessed = QStringLiteral("Invalid row accessed");
const QString kInvalidColumnAccessed = QStringLiteral("Invalid column accessed");
}  // namespace

void TKitStringGrid::GridError(const QString& Message) { throw EKitGridError(Message); }

// ---------------------------------------------------------------------------
// Rows

bool TKitStringGrid::GetRowSelect(int ARow) {
  const int all = RowCount() + NumHiddenRows();
  if (ARow < 0 || (ARow >= all && !FMouseActions->RowSelectPersistent()))
    GridError(QStringLiteral("Invalid row ") + QString::number(ARow) + QStringLiteral(" accessed"));
  if (FMouseActions->DisjunctRowSelect()) {
    if (FRowSelect->Count() < ARow + 1) GrowTo(FRowSelect.get(), RowCount());
    if (ARow >= FRowSelect->Count()) return false;
    return FlagOf(FRowSelect->Items(ARow));
  }
  const TGridRect s = GetSelection();
  return ARow >= std::min(s.Top, s.Bottom) && ARow <= std::max(s.Top, s.Bottom);
}

void TKitStringGrid::SetRowSelectEntry(int ARow, bool Value, bool& Changed) {
  const bool previous = ARow < FRowSelect->Count() && FlagOf(FRowSelect->Items(ARow));
  Changed = false;
  if (Value != previous && OnRowDisjunctSelect) {
    bool allow = true;
    OnRowDisjunctSelect(this, ARow, Value, allow);
    if (!allow) return;
  }
  GrowTo(FRowSelect.get(), ARow + 1);
  FRowSelect->SetItems(ARow, Flag(Value));
  Changed = Value != previous;
  if (Changed) {
    const int display = RealToDisplRow(ARow);
    if (display >= 0 && display < RowCount()) RepaintRow(display);
    if (ARow >= FixedRows()) {
      if (Value) {
        if (!FSelectedRows->HasValue(ARow)) FSelectedRows->Add(ARow);
      } else {
        FSelectedRows->DeleteValue(ARow);
      }
    }
  }
  if (ARow == Row() && FMouseActions->DisjunctRowSelect() && OnSelectionChanged)
    OnSelectionChanged(this, 0, ARow, ColCount() - 1, ARow);
  if (FShowFocusedSelectionColor) Invalidate();
  if (Changed && OnRowDisjunctSelected) OnRowDisjunctSelected(this, ARow);
}

void TKitStringGrid::SetRowSelect(int ARow, bool Value) {
  const int all = RowCount() + NumHiddenRows();
  const bool onlyFixed = RowCount() <= FixedRows();
  // A grid of fixed rows only accepts the row just past its end; no grid
  // accepts more, so the list never grows without bound.
  if (ARow < 0 || (ARow >= all && !onlyFixed) || ARow > all) GridError(kInvalidRowAccessed);
  bool changed = false;
  SetRowSelectEntry(ARow, Value, changed);
  FRowSelectChanged = changed;
}

void TKitStringGrid::SelectRows(int RowIndex, int RCount) {
  if (RowIndex < 0) GridError(kInvalidRowAccessed);
  RCount = std::min(RCount, RowCount() - RowIndex);
  if (RCount <= 0) return;
  if (!FMouseActions->DisjunctRowSelect()) {
    SetSelection(MakeGridRect(RawFixedCols(), RowIndex, ColCount() - 1, RowIndex + RCount - 1));
  } else {
    for (int r = RowIndex; r < RowIndex + RCount && r < RowCount(); ++r)
      SetRowSelect(FMouseActions->RowSelectPersistent() ? DisplToRealRow(r) : r, true);
  }
  if (!FRowIndicator->Empty()) RepaintCol(0);
}

void TKitStringGrid::UnSelectRows(int RowIndex, int RCount) {
  if (!FMouseActions->DisjunctRowSelect()) return;
  if (RowIndex < 0) GridError(kInvalidRowAccessed);
  RCount = std::min(RCount, RowCount() - RowIndex);
  for (int r = RowIndex; r < RowIndex + RCount; ++r)
    SetRowSelect(FMouseActions->RowSelectPersistent() ? DisplToRealRow(r) : r, false);
}

void TKitStringGrid::SelectAll() { SelectRows(FixedRows(), RowCount() - FixedRows()); }

void TKitStringGrid::ClearRowSelectList() {
  for (int r = 0; r < FRowSelect->Count(); ++r) {
    if (!FlagOf(FRowSelect->Items(r))) continue;
    const int display = RealToDisplRow(r);
    if (display >= 0 && display < RowCount()) RepaintRow(display);
    FRowSelect->SetItems(r, Flag(false));
    if (OnRowDisjunctSelected) OnRowDisjunctSelected(this, r);
  }
  FSelectedRows->Clear();
}

void TKitStringGrid::ClearRowSelect() {
  ClearRowSelectList();
  if (!FMouseActions->DisjunctRowSelect()) HideSelection();
  Invalidate();
}

bool TKitStringGrid::SelectionToRowSelect(bool ClearOthers) {
  TGridRect s = GetSelection();
  if (s.Top == FDisSelection.Top) return false;
  s.Bottom = std::min(s.Bottom, RowCount() - FFixedFooters - 1);
  bool any = false;
  for (int r = FixedRows(); r < RowCount(); ++r) {
    const bool inside = r >= s.Top && r <= s.Bottom;
    if (!inside && !ClearOthers) continue;
    const int target = FMouseActions->RowSelectPersistent() ? DisplToRealRow(r) : r;
    bool changed = false;
    SetRowSelectEntry(target, inside, changed);
    any = any || changed;
  }
  if (NumHiddenRows() > 0) Invalidate();
  FDisSelection = GetSelection();
  return any;
}

int TKitStringGrid::GetRowSelectCount() {
  if (FMouseActions->DisjunctRowSelect()) {
    const int n = std::min(RowCount() + NumHiddenRows(), FRowSelect->Count());
    int count = 0;
    for (int r = 0; r < n; ++r)
      if (FlagOf(FRowSelect->Items(r))) ++count;
    return count;
  }
  if (Options().Contains(goRowSelect)) {
    const TGridRect s = GetSelection();
    if (std::min(s.Top, s.Bottom) < RowCount()) return std::abs(s.Bottom - s.Top) + 1;
  }
  return 0;
}

// ---------------------------------------------------------------------------
// Columns

bool TKitStringGrid::GetColSelect(int ACol) {
  if (ACol < 0 || ACol >= ColCount() + NumHiddenColumns()) GridError(kInvalidColumnAccessed);
  if (FMouseActions->DisjunctColSelect()) {
    if (FColSelect->Count() < ACol + 1) GrowTo(FColSelect.get(), ACol + 1);
    return FlagOf(FColSelect->Items(ACol));
  }
  const TGridRect s = GetSelection();
  return ACol >= std::min(s.Left, s.Right) && ACol <= std::max(s.Left, s.Right);
}

void TKitStringGrid::SetColSelect(int ACol, bool Value) {
  if (ACol < 0 || ACol >= ColCount()) GridError(kInvalidColumnAccessed);
  const bool previous = ACol < FColSelect->Count() && FlagOf(FColSelect->Items(ACol));
  if (Value != previous && OnColDisjunctSelect) {
    bool allow = true;
    OnColDisjunctSelect(this, ACol, Value, allow);
    if (!allow) return;
  }
  GrowTo(FColSelect.get(), ACol + 1);
  FColSelect->SetItems(ACol, Flag(Value));
  if (Value != previous) RepaintCol(ACol);
  if (FShowFocusedSelectionColor) Invalidate();
  if (Value != previous && OnColDisjunctSelected) OnColDisjunctSelected(this, ACol);
}

void TKitStringGrid::SelectCols(int ColIndex, int CCount) {
  if (ColIndex < 0) GridError(kInvalidColumnAccessed);
  CCount = std::min(CCount, ColCount() - ColIndex);
  if (CCount <= 0) return;
  if (!FMouseActions->DisjunctColSelect()) {
    SetSelection(MakeGridRect(ColIndex, RawFixedRows(), ColIndex + CCount - 1, RowCount() - 1));
  } else {
    for (int c = ColIndex; c < ColIndex + CCount && c < ColCount(); ++c) SetColSelect(c, true);
  }
}

void TKitStringGrid::UnSelectCols(int ColIndex, int CCount) {
  if (!FMouseActions->DisjunctColSelect()) return;
  if (ColIndex < 0) GridError(kInvalidColumnAccessed);
  CCount = std::min(CCount, ColCount() - ColIndex);
  for (int c = ColIndex; c < ColIndex + CCount; ++c) SetColSelect(c, false);
}

void TKitStringGrid::ClearColSelect() {
  for (int c = 0; c < FColSelect->Count(); ++c) {
    if (!FlagOf(FColSelect->Items(c))) continue;
    if (c < ColCount()) RepaintCol(c);
    FColSelect->SetItems(c, Flag(false));
    if (OnColDisjunctSelected) OnColDisjunctSelected(this, c);
  }
  if (!FMouseActions->DisjunctColSelect()) HideSelection();
  Invalidate();
}

void TKitStringGrid::SelectionToColSelect(bool ClearOthers) {
  const TGridRect s = GetSelection();
  for (int c = FixedCols(); c < ColCount(); ++c) {
    const bool inside = c >= s.Left && c <= s.Right;
    if (inside || ClearOthers) SetColSelect(c, inside);
  }
}

int TKitStringGrid::GetColSelectCount() {
  if (FMouseActions->DisjunctColSelect()) {
    int count = 0;
    for (int c = 0; c < FColSelect->Count(); ++c)
      if (FlagOf(FColSelect->Items(c))) ++count;
    return count;
  }
  const TGridRect s = GetSelection();
  return s.Right - s.Left + 1;
}

void TKitStringGrid::SelectRange(int FromCol, int ToCol, int FromRow, int ToRow) {
  if (FromCol < 0 || ToCol < 0 || FromCol >= ColCount() || ToCol >= ColCount()) GridError(kInvalidColumnAccessed);
  if (FromRow < 0 || ToRow < 0 || FromRow >= RowCount() || ToRow >= RowCount()) GridError(kInvalidRowAccessed);
  SetRowEx(ToRow);
  SetCol(ToCol);
  SetSelection(MakeGridRect(FromCol, FromRow, ToCol, ToRow));
}

// ---------------------------------------------------------------------------
// Distinct values

std::unique_ptr<TStringList> TKitStringGrid::DistinctValues(int ACol, bool CaseSensitive) {
  if (ACol < 0 || ACol >= TotalColCount()) GridError(kInvalidColumnAccessed);
  auto result = std::make_unique<TStringList>();
  // The list compares as the caller asked: a case-sensitive question keeps
  // "a" and "A" apart.
  result->SetCaseSensitive(CaseSensitive);
  result->SetSorted(true);
  result->SetDuplicates(dupIgnore);
  for (int r = FixedRows(); r < RowCount() - FFixedFooters; ++r) result->Add(SaveCell(ACol, r));
  for (int i = 0; i < FHiddenRowStore->Count(); ++i) {
    auto* item = static_cast<TGridItem*>(FHiddenRowStore->Items(i));
    if (item->Items() != nullptr && ACol < item->Items()->Count())
      result->Add(item->Items()->Strings(ACol).trimmed());
  }
  return result;
}

// ---------------------------------------------------------------------------
// Modified and enabled rows

int TKitStringGrid::ModifiedRowCount() const {
  int count = 0;
  for (int i = 0; i < FModifiedRows->Count(); ++i)
    if (FModifiedRows->Items(i) == 1) ++count;
  return count;
}

bool TKitStringGrid::RowModified(int ARow) const {
  if (ARow < 0 || ARow >= FModifiedRows->Count()) return false;
  return FModifiedRows->Items(ARow) == 1;
}

void TKitStringGrid::SetRowModified(int ARow, bool Value) {
  if (ARow < 0 || ARow >= AllRowCount()) GridError(kInvalidRowAccessed);
  while (FModifiedRows->Count() <= ARow) FModifiedRows->Add(0);
  FModifiedRows->SetItems(ARow, Value ? 1 : 0);
  RepaintCell(0, RealToDisplRow(ARow));
}

bool TKitStringGrid::RowEnabled(int ARow) const {
  if (ARow < 0 || ARow >= FEnabledRows->Count()) return true;
  return FEnabledRows->Items(ARow) == 0;
}

void TKitStringGrid::SetRowEnabled(int ARow, bool Value) {
  if (ARow < 0 || ARow >= AllRowCount()) GridError(kInvalidRowAccessed);
  if (ARow == Row()) {
    for (int r = FixedRows(); r < RowCount(); ++r)
      if (r != ARow && RowEnabled(r)) {
        SetRowEx(r);
        break;
      }
  }
  FUseEnabledRows = true;
  while (FEnabledRows->Count() <= ARow) FEnabledRows->Add(0);
  FEnabledRows->SetItems(ARow, Value ? 0 : 1);
  RepaintRow(RealToDisplRow(ARow));
}
