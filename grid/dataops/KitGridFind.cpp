// Finding cells by text, counting and replacing matches, finding rows by one
// condition per column, and the type-ahead row lookup.
//
// The walk visits only cells inside its range: a start cell outside the range
// is pulled onto it, so any StartCell, FindCol or FindRow is safe. Patterns
// (fnMatchRegular, FindMulti) go through the grid's condition matcher, whose
// time is bounded by the lengths of pattern and text.

#include <algorithm>

#include "foundation/KitMiniHTMLText.h"
#include "grid/dataops/KitGridRowOpsSupport.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridFilter.h"
#include "grid/model/KitGridUtils.h"
#include "platform/rtl/SysUtils.h"

namespace {

const QString kEmptyCellText = QStringLiteral("\"\"");

bool IsNoCell(TPoint P) { return P.X == -1 && P.Y == -1; }

// One axis of the walk: its bounds and the index on it.
struct TWalkAxis {
  int First = 0;
  int Last = -1;
  int Index = 0;
};

// Every occurrence of From in Text replaced by To; with OutsideTags the text
// between "<" and ">" is left alone. An empty From changes nothing.
QString ReplaceOccurrences(const QString& Text, const QString& From, const QString& To, Qt::CaseSensitivity Cs,
                           bool OutsideTags) {
  if (From.isEmpty()) return Text;
  if (!OutsideTags) return QString(Text).replace(From, To, Cs);
  QString out;
  qsizetype pos = 0;
  while (pos < Text.size()) {
    const qsizetype open = Text.indexOf(u'<', pos);
    const qsizetype plainEnd = open < 0 ? Text.size() : open;
    out += Text.mid(pos, plainEnd - pos).replace(From, To, Cs);
    if (open < 0) break;
    const qsizetype close = Text.indexOf(u'>', open);
    const qsizetype tagEnd = close < 0 ? Text.size() : close + 1;
    out += Text.mid(open, tagEnd - open);
    pos = tagEnd;
  }
  return out;
}

// A FindMulti value as a condition term of its search type; a value holding
// a blank is quoted.
QString MultiCondition(const QString& Value, TFindMultiType Type) {
  const QString v = Value.contains(u' ') ? u'"' + Value + u'"' : Value;
  switch (Type) {
    case stStartsWith: return v + u'*';
    case stEndsWith: return u'*' + v;
    case stContains: return u'*' + v + u'*';
    case stEqual: return v;
    case stNotEqual: return u'!' + v;
    case stNotContains: return QStringLiteral("!*") + v + u'*';
  }
  return v;
}

}  // namespace

bool TKitStringGrid::FindCellMatches(int ACol, int ARow, bool Wide) {
  const TFindParameters p = FFindParams;
  const bool matchCase = p.Contains(fnMatchCase);
  const int rc = p.Contains(fnIncludeHiddenColumns) ? ACol : RealColIndex(ACol);
  QString text;
  const QString* cache = &SearchCache;
  if (Wide) {
    text = WideCells(rc, ARow);
    if (!matchCase) text = text.toUpper();
    cache = &SearchCacheWide;
  } else {
    text = p.Contains(fnIncludeHiddenRows) ? GetCellByRealRow(rc, ARow) : GetFormattedCell(rc, ARow);
    if (!matchCase) text = text.toUpper();
    if (p.Contains(fnIgnoreHTMLTags)) text = MiniHtmlToText(text);
    if (p.Contains(fnIgnoreAccents)) text = RemoveAccents(text);
  }
  if (cache->isEmpty() || *cache == kEmptyCellText) return text.isEmpty();
  // A wide search with fnMatchRegular uses the same matcher: the texts are
  // the same kind here.
  if (p.Contains(fnMatchRegular)) return MatchConditionExpr(*cache, text, matchCase);
  const qsizetype pos = text.indexOf(*cache) + 1;
  const bool hit = p.Contains(fnMatchStart) ? pos == 1 : pos > 0;
  if (p.Contains(fnMatchFull)) return hit && text == *cache;
  return hit;
}

void TKitStringGrid::FindGotoCell(int ACol, int ARow) {
  // Hidden rows are not stored yet, so a found row is always shown and needs
  // no node expanded; it is its own display row.
  const int row = FFindParams.Contains(fnIncludeHiddenRows) ? DisplRowIndex(ARow) : ARow;
  if (MouseActions()->DisjunctRowSelect()) {
    ClearRowSelect();
    SetRowSelect(row, true);
    SetRow(row);
  } else {
    SetRow(row);
    SetCol(std::min(ACol, ColCount() - 1));
  }
}

void TKitStringGrid::FindScrollStep() {
  // Cell selection by disjunct cells waits for the selection model; the
  // current cell already is the one-cell range.
  const int f = FloatingFooter()->Visible() ? 2 : 0;
  if (TopRow() + VisibleRowCount() - f - 2 < Row() && VisibleRowCount() + FixedRows() + f < RowCount())
    SetTopRow(TopRow() + f + 1);
}

void TKitStringGrid::FindCore(TPoint StartCell, const QString& S, TPoint& Result, TFindParameters FindParams,
                              bool Wide) {
  Result = TPoint(-1, -1);
  const int oldRow = Row();
  FFindParams = FindParams;
  FindBusy = true;
  struct TBusyReset {
    bool& Busy;
    ~TBusyReset() { Busy = false; }
  } busyReset{FindBusy};

  const bool matchCase = FindParams.Contains(fnMatchCase);
  SearchCache = matchCase ? S : S.toUpper();
  if (FindParams.Contains(fnIgnoreAccents)) SearchCache = RemoveAccents(SearchCache);
  SearchCacheWide = matchCase ? S : S.toUpper();

  if (ColCount() == FixedCols() || ColCount() == 0 || RowCount() + NumHiddenRows() == FixedRows() ||
      RowCount() == 0) {
    ExportNotification(esExportFindRow, oldRow);
    return;
  }

  TWalkAxis cols, rows;
  if (FindParams.Contains(fnIncludeFixed)) {
    cols = {0, ColCount() - 1};
    rows = {0, RowCount() - 1};
  } else {
    cols = {FixedCols(), ColCount() - FixedRightCols() - 1};
    rows = {FixedRows(), RowCount() - FixedFooters() - 1};
  }
  if (FindParams.Contains(fnSelectedCells)) {
    const TGridRect sel = Selection();
    cols = {sel.Left, sel.Right};
    rows = {sel.Top, sel.Bottom};
  }
  if (FindParams.Contains(fnIncludeHiddenColumns)) cols.Last += NumHiddenColumns();
  if (FindParams.Contains(fnIncludeHiddenRows)) rows.Last += NumHiddenRows();

  // The restrictions narrow the range before the step from StartCell, so
  // that a search in one row or column moves on along it.
  if (FindParams.Contains(fnFindInCurrentRow)) rows.First = rows.Last = Row();
  if (FindParams.Contains(fnFindInPresetRow)) rows.First = rows.Last = FindRow;
  if (FindParams.Contains(fnFindInCurrentCol)) cols.First = cols.Last = Col();
  if (FindParams.Contains(fnFindInPresetCol)) cols.First = cols.Last = FindCol;

  // Preset rows and columns, and the selection, may name cells outside the
  // grid; the walk stays inside it.
  cols.First = std::max(cols.First, 0);
  cols.Last = std::min(cols.Last, ColCount() + NumHiddenColumns() - 1);
  rows.First = std::max(rows.First, 0);
  rows.Last = std::min(rows.Last, RowCount() + NumHiddenRows() - 1);
  if (cols.First > cols.Last || rows.First > rows.Last) {
    ExportNotification(esExportFindRow, oldRow);
    return;
  }

  const bool leftRight = FindParams.Contains(fnDirectionLeftRight);
  const bool backward = FindParams.Contains(fnBackward);
  TWalkAxis& inner = leftRight ? cols : rows;
  TWalkAxis& outer = leftRight ? rows : cols;
  const int step = backward ? -1 : 1;
  auto from = [backward](const TWalkAxis& A) { return backward ? A.Last : A.First; };
  auto beyond = [backward](const TWalkAxis& A, int I) { return backward ? I < A.First : I > A.Last; };
  auto before = [backward](const TWalkAxis& A, int I) { return backward ? I > A.Last : I < A.First; };

  if (IsNoCell(StartCell)) {
    inner.Index = from(inner);
    outer.Index = from(outer);
  } else {
    cols.Index = StartCell.X;
    rows.Index = StartCell.Y;
    if (before(outer, outer.Index)) {
      outer.Index = from(outer);
      inner.Index = from(inner);
    } else if (beyond(inner, inner.Index)) {
      inner.Index = from(inner);
      if (backward ? outer.Index <= outer.First : outer.Index >= outer.Last)
        outer.Index = from(outer);
      else
        outer.Index += step;
    } else {
      inner.Index = before(inner, inner.Index) ? from(inner) : inner.Index + step;
    }
  }

  for (; !beyond(outer, outer.Index); outer.Index += step, inner.Index = from(inner)) {
    for (; !beyond(inner, inner.Index); inner.Index += step) {
      const int c = cols.Index;
      const int r = rows.Index;
      ExportNotification(esExportFindRow, r);
      if (IgnoreColumns()->HasValue(c)) continue;
      if (!FindCellMatches(c, r, Wide)) continue;
      SearchCell = TPoint(c, r);
      Result = SearchCell;
      if (FindParams.Contains(fnAutoGoto)) FindGotoCell(c, r);
      return;
    }
  }
  ExportNotification(esExportFindRow, oldRow);
}

void TKitStringGrid::Find(TPoint StartCell, const QString& S, TPoint& Result, TFindParameters FindParams) {
  if (IsNoCell(StartCell)) ExportNotification(esExportStart, -1);
  {
    kitgridops::TUpdateGuard update(this);
    FindCore(StartCell, S, Result, FindParams, false);
  }
  if (FindParams.Contains(fnAutoGoto)) FindScrollStep();
  ExportNotification(IsNoCell(Result) ? esExportDone : esExportFail, -1);
}

void TKitStringGrid::FindWide(TPoint StartCell, const QString& S, TPoint& Result, TFindParameters FindParams) {
  ExportNotification(esExportStart, -1);
  FindCore(StartCell, S, Result, FindParams, true);
  ExportNotification(IsNoCell(Result) ? esExportDone : esExportFail, -1);
}

void TKitStringGrid::FindFirst(const QString& S, TFindParameters FindParams, TPoint& Result) {
  Find(TPoint(-1, -1), S, Result, FindParams);
  SearchCell = Result;
}

void TKitStringGrid::FindNext(TPoint& Result) {
  Find(SearchCell, SearchCache, Result, FFindParams);
  SearchCell = Result;
}

void TKitStringGrid::FindAll(const QString& S, TFindParameters FindParams, TPoint& First, int& Count) {
  Count = 0;
  ExportNotification(esExportStart, -1);
  {
    kitgridops::TUpdateGuard update(this);
    FindCore(TPoint(-1, -1), S, First, FindParams, false);
  }
  // The counting steps must not move the current cell.
  FFindParams.Exclude(fnAutoGoto);
  if (!IsNoCell(First)) {
    Count = 1;
    TPoint next;
    for (FindNext(next); !IsNoCell(next); FindNext(next)) ++Count;
  }
  if (FindParams.Contains(fnAutoGoto)) {
    if (!IsNoCell(First)) {
      SetCol(std::min(First.X, ColCount() - 1));
      SetRow(First.Y);
    }
    FindScrollStep();
  }
  ExportNotification(IsNoCell(First) ? esExportDone : esExportFail, -1);
}

int TKitStringGrid::Replace(const QString& OrigStr, const QString& NewStr, TFindParameters FindParams) {
  const Qt::CaseSensitivity cs = FindParams.Contains(fnMatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
  const bool outsideTags = FindParams.Contains(fnIgnoreHTMLTags);
  int changed = 0;
  TPoint start(-1, -1);
  for (;;) {
    TPoint r;
    Find(start, OrigStr, r, FindParams);
    start = r;
    if (IsNoCell(r)) break;
    // The found column is a display column unless hidden columns were
    // searched; the text is written to the column the find looked at.
    const int rc = FindParams.Contains(fnIncludeHiddenColumns) ? r.X : RealColIndex(r.X);
    const QString old = Cells(rc, r.Y);
    const QString text = ReplaceOccurrences(old, OrigStr, NewStr, cs, outsideTags);
    if (text == old) continue;
    SetCells(rc, r.Y, text);
    if (ShowModified()->Enabled()) SetRowModified(r.Y, true);
    ++changed;
  }
  return changed;
}

bool TKitStringGrid::FindMultiRowMatches(int ARow) {
  for (size_t i = 0; i < FMultiColumns.size(); ++i) {
    const int c = FMultiColumns[i];
    // A column outside the grid holds no text.
    QString text = c >= 0 && c < AllColCount() ? Cells(c, ARow) : QString();
    if (FIgnoreHTMLMulti) text = MiniHtmlToText(text);
    if (!MatchConditionItem(FMultiConditions[qsizetype(i)], text, FMultiCase[i])) return false;
  }
  return true;
}

int TKitStringGrid::FindMultiFrom(int ARow) {
  const int last = RowCount() - FixedFooters() - 1;
  for (int r = std::max(ARow, FixedRows()); r <= last; ++r)
    if (FindMultiRowMatches(r)) return r;
  return -1;
}

int TKitStringGrid::FindMulti(const QStringList& Conditions, const std::vector<int>& Columns,
                              const std::vector<TFindMultiType>& SearchTypes, const std::vector<bool>& CaseSensitive,
                              bool IgnoreHTML, bool AutoGoto) {
  const size_t n = size_t(Conditions.size());
  if (Columns.size() != n || SearchTypes.size() != n || CaseSensitive.size() != n)
    throw Exception(QStringLiteral("Array size of parameters not matching"));
  FMultiConditions.clear();
  for (size_t i = 0; i < n; ++i) FMultiConditions << MultiCondition(Conditions[qsizetype(i)], SearchTypes[i]);
  FMultiColumns = Columns;
  FMultiCase = CaseSensitive;
  FIgnoreHTMLMulti = IgnoreHTML;
  SearchCell = TPoint(0, -1);
  const int row = FindMultiFrom(FixedRows());
  if (row < 0) return -1;
  SearchCell = TPoint(0, row);
  if (AutoGoto) SetRow(row);
  return row;
}

int TKitStringGrid::FindMultiNext() {
  const int row = FindMultiFrom(SearchCell.Y + 1);
  if (row >= 0) SearchCell = TPoint(0, row);
  return row;
}

int TKitStringGrid::Search(const QString& S) {
  int col = FixedCols();
  if (SortSettings()->Show()) {
    if (SortSettings()->IndexShow())
      col = SortIndexes()->Count() > 0 ? SortIndexes()->SortColumns(0) : FixedCols();
    else
      col = SortSettings()->Column();
  }
  if (col < 0 || col >= AllColCount() || RowCount() < 2 || RowCount() <= FixedRows()) return -1;
  for (int r = FixedRows(); r < RowCount(); ++r)
    if (MiniHtmlToText(Cells(col, r)).left(S.size()).toUpper() == S) return r;
  return -1;
}
