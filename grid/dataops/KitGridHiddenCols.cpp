// Hidden columns: a hidden column leaves the column count and the display,
// its cells stay at their real position in the store (behind the visible
// columns' data when it is the last), its width is kept for its return.
// ColWidths is indexed by display column, so hiding shifts the widths right
// of the column one place left and showing shifts them back.

#include "grid/model/KitGrid.h"

bool TKitStringGrid::IsHiddenColumn(int ColIndex) const {
  return ColIndex >= 0 && size_t(ColIndex) < FVisibleCol.size() && !FVisibleCol[size_t(ColIndex)];
}

int TKitStringGrid::DisplToRealCol(int c) const {
  if (FNumHidden == 0 || c < 0 || c >= TotalColCount()) return c;
  int seen = -1;
  for (size_t i = 0; i < FVisibleCol.size(); ++i) {
    if (FVisibleCol[i]) ++seen;
    if (seen == c) return int(i);
  }
  return c;
}

int TKitStringGrid::RealToDisplCol(int c) const {
  if (FNumHidden == 0 || c < 0 || c >= TotalColCount()) return c;
  int hidden = 0;
  for (int i = 0; i < c && size_t(i) < FVisibleCol.size(); ++i)
    if (!FVisibleCol[size_t(i)]) ++hidden;
  return c - hidden;
}

void TKitStringGrid::HideColumns(int FromCol, int ToCol) {
  HideInplaceEdit();
  bool changed = false;
  for (int c = std::max(FromCol, 0); c <= ToCol; ++c) {
    if (c >= TotalColCount() || IsHiddenColumn(c) || ColCount() <= 1) continue;
    const int d = RealToDisplCol(c);
    FAllColWidths[size_t(c)] = ColWidths(d);
    for (int i = d; i < ColCount() - 1; ++i) SetColWidths(i, ColWidths(i + 1));
    ++FNumHidden;
    FVisibleCol[size_t(c)] = false;
    if (Col() >= ColCount() - 1 && Col() > 0) SetCol(Col() - 1);
    const bool parked = FSelHidden;
    if (parked) UnHideSelection();
    SetColCount(ColCount() - 1);
    if (parked) HideSelection();
    changed = true;
  }
  if (changed) Invalidate();
}

void TKitStringGrid::UnHideColumns(int FromCol, int ToCol) {
  HideInplaceEdit();
  if (ComponentState().Contains(csDestroying)) return;
  bool changed = false;
  for (int c = std::max(FromCol, 0); c <= ToCol; ++c) {
    if (!IsHiddenColumn(c)) continue;
    --FNumHidden;
    FVisibleCol[size_t(c)] = true;
    SetColCount(ColCount() + 1);
    const int d = RealToDisplCol(c);
    for (int i = ColCount() - 1; i > d; --i) SetColWidths(i, ColWidths(i - 1));
    SetColWidths(d, FAllColWidths[size_t(c)]);
    changed = true;
  }
  if (changed) Invalidate();
}

void TKitStringGrid::UnHideColumnsAll() { UnHideColumns(0, ColCount() + FNumHidden - 1); }
