// Node rows as far as painting, clearing and the row hooks need them: a
// ctNode graphic in the node column heads a span of rows, the node-column
// cell properties of every row carry its level; adding and removing nodes,
// levels, spans, parents, the tree-line kind, node-aware row insertion and
// removal. Contracting and expanding single nodes (hiding their rows) is
// not part of the grid yet: every node stays expanded.
//
// Also the filter value list of a column that the filter glyph asks for.

#include <QSet>
#include <algorithm>

#include "grid/model/KitGrid.h"

namespace {

TCellGraphic* NodeGraphic(TKitStringGrid* Grid, int ARow) {
  if (ARow < 0 || ARow >= Grid->RowCount()) return nullptr;
  TCellGraphic* g = Grid->GetCellGraphic(Grid->CellNode()->NodeColumn(), ARow);
  return g != nullptr && g->CellType() == ctNode ? g : nullptr;
}

}  // namespace

bool TKitStringGrid::IsNode(int ARow) { return NodeGraphic(this, ARow) != nullptr; }

int TKitStringGrid::GetRowLevel(int ARow) {
  if (ARow < 0) return 0;
  const TCellProperties* rec = FindCellProperties(FCellNode->NodeColumn(), ARow);
  return rec != nullptr ? rec->NodeLevel() : 0;
}

int TKitStringGrid::GetNodeIndent(int ARow) {
  if (!HasNodes() || ARow < 0) return 0;
  if (FindCellProperties(FCellNode->NodeColumn(), ARow) == nullptr) return 0;
  return GetRowLevel(ARow) * FCellNode->NodeIndent();
}

int TKitStringGrid::GetNodeLevel(int ARow) { return IsNode(ARow) ? GetRowLevel(ARow) : -1; }

int TKitStringGrid::GetNodeSpan(int ARow) {
  const TCellGraphic* g = NodeGraphic(this, ARow);
  return g != nullptr ? g->CellIndex() : -1;
}

int TKitStringGrid::GetNodeSpanRows(int ARow) {
  const TCellGraphic* g = NodeGraphic(this, ARow);
  if (g == nullptr) return 0;
  if (g->CellIndex() > 0) return g->CellIndex();
  int span = 1;
  while (ARow + span < RowCount() && !IsNode(ARow + span)) ++span;
  return span;
}

int TKitStringGrid::GetSubNodeCount(int ARow) {
  const TCellGraphic* g = NodeGraphic(this, ARow);
  return g != nullptr ? g->CellErrFrom() : 0;
}

bool TKitStringGrid::NodeState(int ARow) {
  const TCellGraphic* g = NodeGraphic(this, ARow);
  return g != nullptr && g->CellBoolean();
}

int TKitStringGrid::GetNodeSpanType(int ARow) {
  if (IsNode(ARow)) return 0;
  const int next = ARow + 1;
  if (next < RowCount() - FFixedFooters && FindCellProperties(FCellNode->NodeColumn(), next) != nullptr &&
      GetRowLevel(next) >= GetRowLevel(ARow))
    return 2;
  return 1;
}

int TKitStringGrid::GetParentRow(int ARow) {
  if (!HasNodes() || ARow < 0) return -1;
  const bool node = IsNode(ARow);
  const int startLevel = node ? GetRowLevel(ARow) : 65535;
  int skipped = 0;
  for (int r = std::min(ARow, RowCount() - 1); r >= RawFixedRows(); --r) {
    const TCellGraphic* g = NodeGraphic(this, r);
    if (g == nullptr || GetRowLevel(r) >= startLevel) continue;
    const int span = g->CellIndex();
    if (g->CellBoolean()) skipped += span - 1;
    if (ARow < r + span - skipped) return r;
  }
  return node ? ARow : -1;
}

void TKitStringGrid::AddNode(int ARow, int Span) {
  if (Span <= 0 || ARow < 0 || ARow >= RowCount()) return;
  const int col = FCellNode->NodeColumn();
  const int d = RealToDisplRow(ARow);
  TCellGraphic* g = NodeGraphic(this, d);
  if (g == nullptr) g = CreateCellGraphic(col, d);
  g->SetCellType(ctNode);
  g->SetCellBoolean(false);
  g->SetCellIndex(Span);
  g->SetCellErrFrom(0);
  g->SetCellAngle(d);
  g->SetCellHAlign(haBeforeText);
  g->SetCellVAlign(vaCenter);
  g->SetCellVar(-1);
  for (int r = d; r < std::min(d + Span, RowCount()); ++r) {
    TCellProperties* rec = GetCellProperties(col, r);
    rec->SetNodeLevel(rec->NodeLevel() + 1);
  }
  if (FNumNodes == 0) RepaintCol(RealToDisplCol(col));
  ++FNumNodes;
  if (Col() == 0 && ColCount() > 1) SetCol(1);
}

void TKitStringGrid::ExpandAll() {
  // No node can be contracted (no rows are hidden under one): marking every
  // node expanded is all there is to do.
  if (!HasNodes()) return;
  for (int r = 0; r < RowCount(); ++r)
    if (TCellGraphic* g = NodeGraphic(this, r)) g->SetCellBoolean(false);
}

void TKitStringGrid::RemoveAllNodes() {
  const int col = FCellNode->NodeColumn();
  for (int r = 0; r < RowCount(); ++r) {
    TCellGraphic* g = NodeGraphic(this, r);
    if (g == nullptr) continue;
    g->SetCellBoolean(false);
    // A span of 0 reaches the next node row.
    const int span = GetNodeSpanRows(r);
    for (int s = r; s < std::min(r + span, RowCount()); ++s)
      if (TCellProperties* rec = FindCellProperties(col, s)) rec->SetNodeLevel(std::max(0, rec->NodeLevel() - 1));
    RemoveCellGraphic(col, r);
  }
  FNumNodes = 0;
  Invalidate();
}

void TKitStringGrid::InsertNormalRow(int ARow) { InsertRows(DisplRowIndex(ARow), 1, true); }

void TKitStringGrid::RemoveNormalRow(int ARow) {
  RemoveRows(ARow, 1);
  FMaxRowCount = std::max(0, FMaxRowCount - 1);
}

void TKitStringGrid::InsertChildRow(int ARow, int InsertAt) {
  const int col = FCellNode->NodeColumn();
  const int d = DisplRowIndex(ARow);
  const bool isNode = IsNode(d);
  const int n = isNode ? d : GetParentRow(d);
  int level = 0;
  if (n >= 0) {
    TCellGraphic* g = NodeGraphic(this, n);
    g->SetCellIndex(g->CellIndex() + 1);
    g->SetCellErrFrom(g->CellErrFrom() + 1);
    g->SetCellBoolean(false);
    level = GetRowLevel(n);
    int current = level;
    int last = n;
    while (current > 1) {
      // The node's own parent: the row above a node may be a node of the
      // same parent, and asking for its owner would pass the parent by.
      const int p = GetParentRow(last);
      if (p < 0 || p == last) break;
      if (GetRowLevel(p) < current) {
        TCellGraphic* pg = NodeGraphic(this, p);
        if (pg == nullptr) break;
        pg->SetCellIndex(pg->CellIndex() + 1);
        pg->SetCellErrFrom(pg->CellErrFrom() + 1);
        pg->SetCellBoolean(false);
        current = GetRowLevel(p);
      }
      last = p;
    }
  }
  const int at = isNode && InsertAt == 0 ? d + 1 : d + InsertAt;
  InsertRows(at, 1, true);
  if (isNode && InsertAt == 0) {
    // The node row's content moves into the new row; the node row keeps
    // only its node-column object.
    for (int c = 0; c < TotalColCount(); ++c) {
      SetGridCell(c, at, GetGridCell(c, d));
      SetGridCell(c, d, QString());
    }
    for (int c = 1; c < TotalColCount(); ++c) {
      if (c == col) continue;
      TObject* o = GetGridObject(c, d);
      SetGridObject(c, d, nullptr);
      SetGridObject(c, at, o);
    }
  }
  if (n >= 0) GetCellProperties(col, at)->SetNodeLevel(level);
}

void TKitStringGrid::RemoveChildRow(int ARow) {
  const int d = DisplRowIndex(ARow);
  const int first = GetParentRow(d);
  if (first >= 0) {
    const int firstLevel = GetRowLevel(first);
    int p = first;
    while (p >= 0) {
      TCellGraphic* g = NodeGraphic(this, p);
      if (g == nullptr) break;
      if (g->CellIndex() > 1) {
        g->SetCellIndex(g->CellIndex() - 1);
        g->SetCellErrFrom(std::max(0, g->CellErrFrom() - 1));
      }
      g->SetCellBoolean(false);
      if (GetRowLevel(p) <= 1) break;
      // The node's own parent (a node without one answers itself).
      const int next = GetParentRow(p);
      if (next < 0 || next == p || GetRowLevel(next) >= firstLevel) break;
      p = next;
    }
  }
  RemoveRowRange(d, 1);
  FMaxRowCount = std::max(0, FMaxRowCount - 1);
}

void TKitStringGrid::InsertRowWithNodes(int ARow) {
  if (!HasNodes()) {
    InsertRows(ARow, 1, true);
    return;
  }
  if (GetParentRow(ARow) < 0)
    InsertNormalRow(ARow);
  else
    InsertChildRow(ARow, 0);
}

// ---------------------------------------------------------------------------
// The filter value list

bool TKitStringGrid::BuildFilterList(int ACol, bool StopAtFirst, bool IncludeHidden) {
  FFilterList->Clear();
  // Without the automatic drop-down nothing is listed: the common case of a
  // painted grid costs nothing more.
  if (!FFilterDropDownAuto) return false;
  FFilterList->SetCaseSensitive(FFilterDropDown->CaseSensitive());
  FFilterList->SetSorted(false);
  const bool eligible = ACol >= RawFixedCols() || FFilterDropDownColumns == fdAll;
  if (eligible && ACol >= 0 && ACol < TotalColCount()) {
    const QString checked = FFilterDropDown->TextChecked();
    const QString unchecked = FFilterDropDown->TextUnChecked();
    const bool dataCheck = RowCount() > RawFixedRows() && IsDataCell(ACol, RawFixedRows()) &&
                           HasCellCheckBox(ACol, RawFixedRows());
    if (dataCheck && !checked.isEmpty() && !unchecked.isEmpty()) {
      FFilterList->Add(checked);
      FFilterList->Add(unchecked);
    } else {
      QSet<QString> seen;
      for (int r = RawFixedRows(); r < RowCount() - FFixedFooters; ++r) {
        if (IsNode(r)) continue;
        QString v = (FFilterDropDown->IgnoreHTML() ? GetStrippedCell(ACol, r) : GetCellEx(ACol, r)).trimmed();
        QString entry;
        if (v.isEmpty()) {
          entry = QStringLiteral("\t\"\"");
        } else if (FFilterDropDown->Method() == fmExpression && v.contains(u' ')) {
          QString condition = v;
          condition.replace(QStringLiteral("\""), QStringLiteral("\"\""));
          entry = v + u'\t' + u'"' + condition + u'"';
        } else {
          entry = v;
        }
        const QString key = FFilterDropDown->CaseSensitive() ? entry : entry.toUpper();
        if (seen.contains(key)) continue;
        seen.insert(key);
        FFilterList->Add(entry);
        if (StopAtFirst) break;
      }
    }
    if (FFilterDropDown->Sorted() && FFilterList->Count() > 1) {
      QStringList items;
      for (int i = 0; i < FFilterList->Count(); ++i) items << FFilterList->Strings(i);
      std::stable_sort(items.begin(), items.end(), [](const QString& a, const QString& b) {
        bool na = false, nb = false;
        const double da = a.toDouble(&na);
        const double db = b.toDouble(&nb);
        if (na && nb) return da < db;
        return NaturalCompareText(a, b) < 0;
      });
      FFilterList->Clear();
      for (const QString& s : items) FFilterList->Add(s);
    }
  }
  (void)IncludeHidden;  // no row of the grid can be hidden yet
  // A plain list starts with the entry that clears the filter (a check list
  // has no check-all text in this grid). A column that cannot be filtered
  // gets no list at all, so its header shows no filter glyph.
  if (eligible && !FFilterDropDownCheck && !FFilterDropDownClear.isEmpty()) FFilterList->Insert(0, FFilterDropDownClear);
  return FFilterList->Count() > 0;
}
