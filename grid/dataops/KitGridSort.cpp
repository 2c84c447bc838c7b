// Sorting the rows of the grid: the comparison of two cells in one of the
// sort styles (with the style detected from the text), the single-column
// order with its cascade into the columns on the right, the order of the
// sort index list, the in-place partition sorts, sorting inside node
// children, going back to the original order, and the one-line text form
// of the sort settings.
//
// A whole-grid sort appends three scratch rows for its run: the pivot of
// each partition is copied into the middle one, so that exchanges during
// the partition do not move it. Rows are exchanged in place (SortSwapRows),
// never copied into a separate list, so cell records, heights and the
// per-row flags travel with their rows. The partition sort recurses into
// the smaller part and loops on the larger one: the stack stays
// logarithmic whatever the data.

#include <QtGlobal>
#include <algorithm>
#include <cmath>
#include <vector>

#include "grid/dataops/KitGridRowOpsSupport.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win32/OleAuto.h"

namespace {

constexpr int kScratchRows = 3;
constexpr uint32_t kDescendingBit = 0x80000000u;
constexpr uint32_t kColumnBits = 0x7FFFFFFFu;

int SignOf(double Value) { return Value > 0 ? 1 : (Value < 0 ? -1 : 0); }

int SignOf(int Value) { return Value > 0 ? 1 : (Value < 0 ? -1 : 0); }

// The float conversion of the run-time: leading blanks, a sign, digits with
// one decimal point, an exponent; nothing may follow. Answers 0 when the
// whole text converted, else the 1-based position of the first character
// it could not take (Value is then 0).
int ValFloat(const QString& Text, double& Value) {
  Value = 0;
  const qsizetype n = Text.size();
  qsizetype i = 0;
  while (i < n && Text[i] == u' ') ++i;
  const qsizetype start = i;
  if (i < n && (Text[i] == u'+' || Text[i] == u'-')) ++i;
  bool digits = false;
  while (i < n && Text[i] >= u'0' && Text[i] <= u'9') {
    ++i;
    digits = true;
  }
  if (i < n && Text[i] == u'.') {
    ++i;
    while (i < n && Text[i] >= u'0' && Text[i] <= u'9') {
      ++i;
      digits = true;
    }
  }
  if (!digits) return int(std::min<qsizetype>(i, n) + 1);
  if (i < n && (Text[i] == u'e' || Text[i] == u'E')) {
    qsizetype k = i + 1;
    if (k < n && (Text[k] == u'+' || Text[k] == u'-')) ++k;
    const qsizetype expStart = k;
    while (k < n && Text[k] >= u'0' && Text[k] <= u'9') ++k;
    if (k == expStart) return int(k + 1);
    i = k;
  }
  if (i < n) return int(i + 1);
  bool ok = false;
  const double v = Text.mid(start, i - start).toDouble(&ok);
  if (!ok || !std::isfinite(v)) return int(start + 1);
  Value = v;
  return 0;
}

void RemoveFirst(QString& Text, const QString& Part) {
  if (Part.isEmpty()) return;
  const qsizetype at = Text.indexOf(Part);
  if (at >= 0) Text.remove(at, Part.size());
}

bool IsDigitAt(const QString& Text, qsizetype Index) {
  return Index >= 0 && Index < Text.size() && Text[Index].isDigit();
}

// The style an automatic comparison takes for a pair of texts: numbers by
// the first text, otherwise text, dates or times by the separators.
TSortStyle DetectStyle(const QString& S1, const QString& S2, bool IgnoreCase) {
  const int kind = GetNumberTextType(S1);
  if (kind == 0 || kind == 1 || kind == 5) return ssNumeric;
  TSortStyle style = IgnoreCase ? ssAlphaNoCase : ssAlphabetic;
  const QChar dateSep = GetDateSeparatorChar();
  const QChar timeSep = GetTimeSeparatorChar();
  const qsizetype d = S1.indexOf(dateSep);
  const qsizetype len = S1.size();
  if (d == 2 && (len == 8 || len == 10 || len == 19) && IsDigitAt(S1, d - 1) && IsDigitAt(S1, d + 1)) {
    if (S2.contains(dateSep)) style = S1.contains(timeSep) ? ssDateTime : ssDate;
    return style;
  }
  const qsizetype t = S1.indexOf(timeSep);
  if ((t == 1 || t == 2) && t < len - 1 && IsDigitAt(S1, t - 1) && IsDigitAt(S1, t + 1) && S2.contains(timeSep))
    style = ssTime;
  return style;
}

double DateValue(const QString& Text) {
  if (Text.isEmpty()) return 0;
  TDateTime v = 0;
  return TryStrToDateTime(Text, v, FormatSettings) ? v : 0;
}

double TimeValue(const QString& Text) {
  TDateTime v = 0;
  return !Text.isEmpty() && TryStrToTime(Text, v, FormatSettings) ? v : 0;
}

double VarDateValue(const QString& Text) {
  double v = 0;
  return VarDateFromStr(Text, 1033, 0, &v) == S_OK ? v : 0;
}

// The number of a text in the numeric styles: prefix and suffix (first
// occurrence) removed; for ssFinancial the currency text, blanks at the
// ends and every thousand separator too; the decimal separator as ".".
QString NumberText(QString Text, const QString& Prefix, const QString& Suffix, bool Financial) {
  RemoveFirst(Text, Prefix);
  RemoveFirst(Text, Suffix);
  if (Financial) {
    const QString currency = GetCurrencyText();
    if (!currency.isEmpty()) Text.remove(currency);
    Text = Trim(Text);
    const QChar thousand = GetThousandSeparatorChar();
    if (!thousand.isNull()) Text.remove(thousand);
  }
  const QChar decimal = GetDecimalSeparatorChar();
  if (decimal != u'.') {
    const qsizetype at = Text.indexOf(decimal);
    if (at >= 0) Text[at] = u'.';
  }
  return Text;
}

}  // namespace

// ---------------------------------------------------------------------------
// A whole-grid sort run: the settings and rows it changes for its duration,
// restored when it ends, also when an exception leaves the sort.

class TKitStringGrid::TSortRun {
 public:
  TSortRun(TKitStringGrid* Grid, bool HideFooter) : G(Grid) {
    TopRow = G->TopRow();
    ClearTextOnly = G->FClearTextOnly;
    G->FClearTextOnly = false;
    CurrentRow = G->Row();
    G->BeginUpdate();
    Updating = true;
    FooterVisible = G->FFloatingFooter->Visible();
    FixedFooters = G->FFixedFooters;
    MaxRowCount = G->FMaxRowCount;
    // Hidden, the floating footer neither follows the added rows nor keeps
    // a row of its own; the footer rows are counted before.
    if (HideFooter && FooterVisible) G->FFloatingFooter->SetVisible(false);
    const int rows = G->RowCount();
    OldRowCount = rows;
    if (G->FSortSettings->NormalCellsOnly() && G->RawFixedCols() > 0) {
      // Column 0 (row numbers, for example) keeps its order.
      SavedColumn0.reserve(size_t(rows));
      for (int r = 0; r < rows; ++r) SavedColumn0.push_back({G->GetGridCell(0, r), G->GetGridObject(0, r)});
      KeepColumn0 = true;
    }
    Active = true;
    try {
      G->SetRowCount(rows + kScratchRows);
      // Rows beyond the count may still hold what a larger grid left there:
      // the scratch rows drop those references (the objects are not theirs).
      G->EmptyScratchRows(rows, kScratchRows);
      G->SetNormalRowCount(rows);
    } catch (...) {
      Finish();
      throw;
    }
  }

  // The last normal row before the (saved) fixed footers.
  int LastSortRow() const { return OldRowCount - FixedFooters - 1; }

  ~TSortRun() {
    try {
      Finish();
    } catch (...) {
      // The restoration must run to the end; nothing escapes a destructor.
    }
  }

  void Finish() {
    if (!Active) return;
    Active = false;
    G->EmptyScratchRows(OldRowCount, kScratchRows);
    G->SetRowCount(OldRowCount);
    G->FMaxRowCount = MaxRowCount;
    if (KeepColumn0) {
      for (int r = 0; r < int(SavedColumn0.size()) && r < G->RowCount(); ++r)
        G->Store().SetCell(0, r, SavedColumn0[size_t(r)].first, SavedColumn0[size_t(r)].second);
    }
    if (G->FNavigation->KeepScrollOnSort()) G->SetTopRowEx(TopRow);
    if (FooterVisible && !G->FFloatingFooter->Visible()) G->FFloatingFooter->SetVisible(true);
    G->SetFixedFooters(FixedFooters);
    G->FClearTextOnly = ClearTextOnly;
    if (Updating) {
      Updating = false;
      G->EndUpdate();
    }
    G->UpdateFooter();
    if (G->FSearchFooter->Visible()) G->UpdateSearchPanel();
  }

  TKitStringGrid* G;
  std::vector<std::pair<QString, TObject*>> SavedColumn0;
  bool KeepColumn0 = false;
  int TopRow = 0;
  bool ClearTextOnly = false;
  int CurrentRow = 0;
  bool FooterVisible = false;
  int FixedFooters = 0;
  int MaxRowCount = 0;
  int OldRowCount = 0;
  bool Updating = false;
  bool Active = false;
};

// ---------------------------------------------------------------------------
// Comparison

int TKitStringGrid::CompareCells(int ACol, int Row1, int Row2, TSortDirection Direction) {
  ++FCompares;
  TSortSettings* settings = FSortSettings.get();
  TSortStyle style = settings->AutoFormat() ? ssAutomatic
                     : settings->IgnoreCase() ? ssAlphaNoCase
                                              : settings->DefaultFormat();
  QString prefix, suffix;
  GetFormat(ACol, style, prefix, suffix);
  int result = 1;

  const bool display = settings->SortOnVirtualCells();
  const QString s1 = display ? GetCellEx(ACol, Row1) : GetGridCell(ACol, Row1);
  const QString s2 = display ? GetCellEx(ACol, Row2) : GetGridCell(ACol, Row2);
  // The texts the blank rule looks at (the number styles strip theirs).
  QString t1 = s1, t2 = s2;

  if (style == ssAutomatic) {
    if (HasCellType(ACol, Row1, TCellTypes{ctCheckBox, ctDataCheckBox, ctVirtCheckBox, ctRowCheckBox}))
      style = ssCheckBox;
    else
      style = DetectStyle(s1, s2, settings->IgnoreCase());
  }
  if (style == ssAlphaNumeric || style == ssAlphaNumericNoCase) {
    const auto isNumber = [](const QString& S) {
      const int kind = GetNumberTextType(S);
      return kind == 0 || kind == 1 || kind == 5;
    };
    if (isNumber(s1) && isNumber(s2))
      style = ssNumeric;
    else
      style = style == ssAlphaNumeric ? ssAlphabetic : ssAlphaNoCase;
  }

  switch (style) {
    case ssAlphabetic:
    case ssAlphaCase:
      result = SignOf(CompareStr(s1, s2));
      break;
    case ssAlphaNoCase:
      result = SignOf(CompareText(s1, s2));
      break;
    case ssAnsiAlphaCase:
      result = SignOf(AnsiCompareStr(s1, s2));
      break;
    case ssAnsiAlphaNoCase:
      result = SignOf(AnsiCompareText(s1, s2));
      break;
    case ssNatural:
      result = NaturalCompareText(s1, s2);
      break;
    case ssHTML:
      t1 = GetStrippedCell(ACol, Row1);
      t2 = GetStrippedCell(ACol, Row2);
      result = SignOf(CompareStr(t1, t2));
      break;
    case ssNumeric:
    case ssFinancial: {
      t1 = NumberText(s1, prefix, suffix, style == ssFinancial);
      t2 = NumberText(s2, prefix, suffix, style == ssFinancial);
      double v1 = 0, v2 = 0;
      const bool ok1 = ValFloat(t1, v1) == 0 || s1.isEmpty();
      const bool ok2 = ValFloat(t2, v2) == 0 || s2.isEmpty();
      result = !ok1 && !ok2 ? 0 : SignOf(v1 - v2);
      break;
    }
    case ssDate:
      RemoveFirst(t1, prefix);
      RemoveFirst(t1, suffix);
      RemoveFirst(t2, prefix);
      RemoveFirst(t2, suffix);
      result = SignOf(DateValue(t1) - DateValue(t2));
      break;
    case ssDateTime:
      result = SignOf(DateValue(s1) - DateValue(s2));
      break;
    case ssShortDateEU:
      result = SignOf(ParseShortDateDMY(s1) - ParseShortDateDMY(s2));
      break;
    case ssShortDateUS:
      result = SignOf(ParseShortDateMDY(s1) - ParseShortDateMDY(s2));
      break;
    case ssTime:
      result = SignOf(TimeValue(s1) - TimeValue(s2));
      break;
    case ssVarDate:
      result = SignOf(VarDateValue(s1) - VarDateValue(s2));
      break;
    case ssImages:
      result = SignOf(CellImageIdx(ACol, Row1) - CellImageIdx(ACol, Row2));
      break;
    case ssCheckBox: {
      bool c1 = false, c2 = false;
      GetCheckBoxState(ACol, Row1, c1);
      GetCheckBoxState(ACol, Row2, c2);
      result = c1 == c2 ? 0 : (c1 ? 1 : -1);
      break;
    }
    case ssCustom: {
      int res = 0;
      if (OnCustomCompare) OnCustomCompare(this, s1, s2, res);
      result = res;
      break;
    }
    case ssRaw: {
      int res = 0;
      if (OnRawCompare) OnRawCompare(this, ACol, Row1, Row2, res);
      result = res;
      break;
    }
    default:
      break;
  }

  if (settings->IgnoreBlanks() && t1.isEmpty() != t2.isEmpty()) {
    // Empty cells go to one end whatever the direction: the caller applies
    // the direction afterwards, so descending reverses the signs here.
    const bool first = settings->BlankPos() == blFirst;
    result = t1.isEmpty() ? (first ? -1 : 1) : (first ? 1 : -1);
    if (Direction == sdDescending) result = -result;
  }
  return result;
}

int TKitStringGrid::CompareRows(int ACol, int Row1, int Row2) {
  const TSortDirection direction = FSortSettings->Direction();
  const bool full = FSortSettings->Full();
  const int last = TotalColCount() - 1;
  for (int c = ACol;; ++c) {
    const int r = FIgnoreColumns->HasValue(c) ? 0 : CompareCells(c, Row1, Row2, direction);
    // Ties go to the columns on the right, never to those on the left.
    if (r != 0 || !full || c >= last) return r;
  }
}

int TKitStringGrid::CompareRowsIndexed(int Index, int Row1, int Row2) {
  const bool full = FSortSettings->Full();
  for (int i = Index; i < FSortIndexes->Count(); ++i) {
    const uint32_t entry = uint32_t(FSortIndexes->Items(i));
    const int column = int(entry & kColumnBits);
    const bool descending = (entry & kDescendingBit) != 0;
    const int r = FIgnoreColumns->HasValue(column)
                      ? 0
                      : CompareCells(column, Row1, Row2, descending ? sdDescending : sdAscending);
    if (r != 0 || !full) return descending ? -r : r;
  }
  return 0;
}

// ---------------------------------------------------------------------------
// The partition sorts

void TKitStringGrid::CopyRowToScratch(int ARow, int AScratch) {
  const int cols = TotalColCount();
  // With display texts the copy holds what the comparison would read, since
  // the scratch rows lie past the normal rows that the display hooks serve.
  const bool displayed = FSortSettings->SortOnVirtualCells() && (OnGetDisplText || OnGetDisplWideText);
  for (int c = 0; c < cols; ++c)
    Store().SetCell(c, AScratch, displayed ? GetCellEx(c, ARow) : GetGridCell(c, ARow), GetGridObject(c, ARow));
}

void TKitStringGrid::EmptyScratchRows(int FromRow, int Count) {
  // The scratch rows only share references: dropped, never freed.
  for (int r = FromRow; r < FromRow + Count; ++r) Store().ClearRow(r);
}

namespace {

// Partition rounds allowed on the way to any range of Count rows before the
// heap sort takes over: four times the depth a balanced partition needs
// (ordinary data stays well below: its deepest ranges lie about three times
// that depth down), so only data that keeps the partition lopsided, made
// for it or not, ends in the heap sort, and the time stays n log n.
int PartitionBudget(int Count) {
  int depth = 0;
  for (int n = std::max(Count, 1); n > 1; n >>= 1) ++depth;
  return 4 * depth + 8;
}

}  // namespace

int TKitStringGrid::SortOrder(bool Indexed, int ACol, int Index, int A, int B) {
  if (Indexed) return CompareRowsIndexed(Index, A, B);
  return CompareRows(ACol, A, B) == FSortDir ? 1 : 0;
}

void TKitStringGrid::QuickSortRows(int ACol, int Left, int Right) {
  FSortDir = FSortSettings->Direction() == sdDescending ? -1 : 1;
  PartitionSortRows(false, ACol, 0, Left, Right, PartitionBudget(Right - Left + 1));
}

void TKitStringGrid::QuickSortRowsIndexed(int Index, int Left, int Right) {
  PartitionSortRows(true, 0, Index, Left, Right, PartitionBudget(Right - Left + 1));
}

void TKitStringGrid::PartitionSortRows(bool Indexed, int ACol, int Index, int Left, int Right, int Budget) {
  const int scratch = RowCount() - 2;
  while (Left < Right) {
    if (Budget-- <= 0) {
      HeapSortRows(Indexed, ACol, Index, Left, Right);
      return;
    }
    const int m = Left + (Right - Left) / 2;
    CopyRowToScratch(m, scratch);
    // Only a raw comparison of virtual cells needs the row itself (its
    // index, wherever its content moves); the indexed sort never does.
    const bool rowPivot =
        !Indexed && FSortSettings->SortOnVirtualCells() && OnGetDisplText && OnRawCompare;
    const int pivot = rowPivot ? m : scratch;
    int i = Left, j = Right;
    do {
      while (SortOrder(Indexed, ACol, Index, pivot, i) == 1 && i < Right) ++i;
      while (SortOrder(Indexed, ACol, Index, j, pivot) == 1 && j > Left) --j;
      if (i <= j) {
        // The single-column sort never exchanges rows that compare equal.
        if (i != j && (Indexed || CompareRows(ACol, i, j) != 0)) SortSwapRows(i, j);
        ++i;
        --j;
      }
    } while (j >= i);
    // The smaller part recursively, the larger one by the loop.
    if (j - Left < Right - i) {
      if (Left < j) PartitionSortRows(Indexed, ACol, Index, Left, j, Budget);
      Left = i;
    } else {
      if (i < Right) PartitionSortRows(Indexed, ACol, Index, i, Right, Budget);
      Right = j;
    }
  }
}

void TKitStringGrid::HeapSortRows(bool Indexed, int ACol, int Index, int Left, int Right) {
  const int count = Right - Left + 1;
  const auto after = [&](int A, int B) { return SortOrder(Indexed, ACol, Index, Left + A, Left + B) == 1; };
  const auto sift = [&](int Root, int Count) {
    for (;;) {
      int child = 2 * Root + 1;
      if (child >= Count) return;
      if (child + 1 < Count && after(child + 1, child)) ++child;
      if (!after(child, Root)) return;
      SortSwapRows(Left + Root, Left + child);
      Root = child;
    }
  };
  for (int start = count / 2 - 1; start >= 0; --start) sift(start, count);
  for (int end = count - 1; end > 0; --end) {
    SortSwapRows(Left, Left + end);
    sift(0, end);
  }
}

void TKitStringGrid::QuickSortUnSort(int Left, int Right) {
  while (Left < Right) {
    const int pivot = FUnSortRowXRef->Items(Left + (Right - Left) / 2);
    int i = Left, j = Right;
    do {
      while (FUnSortRowXRef->Items(i) < pivot) ++i;
      while (FUnSortRowXRef->Items(j) > pivot) --j;
      if (i <= j) {
        const int a = FUnSortRowXRef->Items(i);
        const int b = FUnSortRowXRef->Items(j);
        if (a != b) {
          SortSwapRows(i, j);
          FUnSortRowXRef->SetItems(i, b);
          FUnSortRowXRef->SetItems(j, a);
        }
        ++i;
        --j;
      }
    } while (j >= i);
    if (j - Left < Right - i) {
      if (Left < j) QuickSortUnSort(Left, j);
      Left = i;
    } else {
      if (i < Right) QuickSortUnSort(i, Right);
      Right = j;
    }
  }
}

void TKitStringGrid::WithScratchRows(const std::function<void(int Rows)>& Sort) {
  const int rows = RowCount();
  SetRowCount(rows + kScratchRows);
  EmptyScratchRows(rows, kScratchRows);
  try {
    Sort(rows);
  } catch (...) {
    EmptyScratchRows(rows, kScratchRows);
    SetRowCount(rows);
    throw;
  }
  EmptyScratchRows(rows, kScratchRows);
  SetRowCount(rows);
}

void TKitStringGrid::QuickSort(int Col, int Left, int Right) {
  WithScratchRows([&](int rows) { QuickSortRows(Col, std::max(Left, 0), std::min(Right, rows - 1)); });
}

void TKitStringGrid::QuickSortIndexed(int Left, int Right) {
  WithScratchRows([&](int rows) { QuickSortRowsIndexed(0, std::max(Left, 0), std::min(Right, rows - 1)); });
}

// ---------------------------------------------------------------------------
// Whole-grid sorts

void TKitStringGrid::InitSortXRef() {
  FSortRowXRef->Clear();
  for (int r = 0; r < RowCount(); ++r) FSortRowXRef->Add(r);
}

void TKitStringGrid::QSort() {
  const int column = FSortSettings->Column();
  // A column the grid does not have sorts nothing.
  if (column < 0 || column >= TotalColCount()) return;
  if (FSortRowXRef->Count() != RowCount()) InitSortXRef();
  FSortIndexes->Clear();
  const bool moveRow = FNavigation->MoveRowOnSort();
  TSortRun run(this, true);
  FSortRow = run.CurrentRow;
  QuickSortRows(column, FixedRows(), run.LastSortRow());
  if (moveRow) {
    if (FSortRow >= 0 && FSortRow < run.OldRowCount) SetRawRow(FSortRow);
    if (FSortRow != run.CurrentRow && OnRowChanging) {
      bool allow = true;  // the row has moved already: the answer is not asked
      OnRowChanging(this, run.CurrentRow, FSortRow, allow);
    }
  } else if (run.CurrentRow >= FixedRows() && !FMouseActions->DisjunctRowSelect() &&
             run.CurrentRow < run.OldRowCount) {
    SetRawRow(run.CurrentRow);
  }
  run.Finish();
  if (!moveRow && OnRowChanged) OnRowChanged(this, Row(), Row());
}

void TKitStringGrid::QSortIndexed() {
  if (FSortIndexes->Count() == 0) throw EKitGridError(QStringLiteral("No indexes specified for indexed sort"));
  if (FSortRowXRef->Count() != RowCount()) InitSortXRef();
  const bool moveRow = FNavigation->MoveRowOnSort();
  TSortRun run(this, true);
  FSortRow = run.CurrentRow;
  QuickSortRowsIndexed(0, FixedRows(), run.LastSortRow());
  if (moveRow) {
    if (FSortRow >= 0 && FSortRow < run.OldRowCount) SetRawRow(FSortRow);
  } else if (run.CurrentRow >= FixedRows() && run.CurrentRow < run.OldRowCount) {
    SetRawRow(run.CurrentRow);
  }
  run.Finish();
}

void TKitStringGrid::QSortGroup() { QSortGroupRows(false); }

void TKitStringGrid::QSortGroupIndexed() { QSortGroupRows(true); }

void TKitStringGrid::QSortGroupRows(bool Indexed) {
  if (Indexed && FSortIndexes->Count() == 0)
    throw EKitGridError(QStringLiteral("No indexes specified for indexed sort"));
  if (!Indexed && (FSortSettings->Column() < 0 || FSortSettings->Column() >= TotalColCount())) return;
  if (FSortRowXRef->Count() != RowCount()) InitSortXRef();
  TSortRun run(this, false);
  FSortRow = run.CurrentRow;
  const int first = FixedRows();
  const int end = run.OldRowCount - run.FixedFooters;  // one past the last normal row
  int deepest = -1;
  for (int r = first; r < end; ++r) deepest = std::max(deepest, GetNodeLevel(r));
  if (deepest >= 0) {
    for (int e = first; e < end; ++e) {
      if (GetNodeLevel(e) != deepest) continue;
      TCellGraphic* node = GetCellGraphic(FCellNode->NodeColumn(), e);
      if (node != nullptr && node->CellBoolean()) continue;  // contracted
      int span = GetNodeSpan(e);
      if (span == 0) {
        // Up to the next node row.
        span = 1;
        while (e + span < end && !IsNode(e + span)) ++span;
      }
      if (span <= 2) continue;
      const int last = std::min(e + span - 1, end - 1);
      if (Indexed)
        QuickSortRowsIndexed(0, e + 1, last);
      else
        QuickSortRows(FSortSettings->Column(), e + 1, last);
    }
  }
  if (FNavigation->MoveRowOnSort()) {
    if (FSortRow >= 0 && FSortRow < run.OldRowCount) SetRawRow(FSortRow);
    if (FSortRow != run.CurrentRow && OnRowChanging) {
      bool allow = true;
      OnRowChanging(this, run.CurrentRow, FSortRow, allow);
    }
  } else if (run.CurrentRow >= first && run.CurrentRow < run.OldRowCount) {
    SetRawRow(run.CurrentRow);
  }
  run.Finish();
}

void TKitStringGrid::QUnSort() {
  if (FSortRowXRef->Count() == 0 || HasNodes()) return;
  FUnSortRowXRef->Clear();
  for (int i = 0; i < FSortRowXRef->Count(); ++i) FUnSortRowXRef->Add(FSortRowXRef->Items(i));
  std::vector<std::pair<QString, TObject*>> column0;
  const bool keepColumn0 = FSortSettings->NormalCellsOnly() && RawFixedCols() > 0;
  if (keepColumn0)
    for (int r = 0; r < RowCount(); ++r) column0.push_back({GetGridCell(0, r), GetGridObject(0, r)});
  {
    kitgridops::TUpdateGuard update(this);
    // Rows added since the last sort have no entry: only the rows the
    // cross-reference covers go back to their places.
    QuickSortUnSort(0, std::min(RowCount(), FUnSortRowXRef->Count()) - 1);
    if (FSortSettings->IndexShow()) FSortIndexes->Clear();
    if (keepColumn0)
      for (int r = 0; r < int(column0.size()) && r < RowCount(); ++r)
        Store().SetCell(0, r, column0[size_t(r)].first, column0[size_t(r)].second);
  }
  FSortSettings->SetColumn(-1);
}

void TKitStringGrid::Sort(int Column, TSortDirection Direction) {
  FSortSettings->SetColumn(Column);
  FSortSettings->SetDirection(Direction);
  QSort();
  if (FNumCellControls > 0 || FControlList->Count() > 0) CellControlsUpdate(true);
}

void TKitStringGrid::SortByColumn(int Col) {
  if (RowCount() <= 1) return;
  FSortSettings->SetColumn(Col);
  QSort();
}

bool TKitStringGrid::SortLine(int Col, int ARow1, int ARow2) {
  const int last = TotalColCount() - 1;
  for (int c = Col;; ++c) {
    const int r = CompareCells(c, ARow1, ARow2, FSortSettings->Direction());
    if (r == FSortDir) {
      SortSwapRows(ARow1, ARow2);
      return true;
    }
    if (r != 0 || c >= last) return false;
  }
}

TKitStringGrid::TColumnType TKitStringGrid::ColumnType(int ACol) {
  const int r1 = FixedRows();
  const int r2 = r1 + 1;
  if (r2 >= RowCount()) return ctAlpha;
  if (HasCheckBox(ACol, r1) && HasCheckBox(ACol, r2)) return ctBoolean;
  const int k1 = GetNumberTextType(GetCellEx(ACol, r1));
  const int k2 = GetNumberTextType(GetCellEx(ACol, r2));
  if (k1 != k2) return ctAlpha;
  switch (k1) {
    case 0:
      return ctNumeric;
    case 1:
      return ctFloat;
    case 3:
      return ctDate;
    case 4:
      return ctTime;
    default:
      return ctAlpha;
  }
}

// ---------------------------------------------------------------------------
// TSortSettings: removal and the one-line text form

void TSortSettings::Remove() {
  SetColumn(-1);
  if (FOwner == nullptr) return;
  FOwner->SortIndexes()->Clear();
  if (FOwner->FixedRows() > 0) FOwner->RepaintRow(FOwner->FixedRows() - 1);
}

QString TSortSettings::SaveToString() const {
  if (FIndexShow) return QStringLiteral("i;") + (FOwner ? FOwner->SortIndexes()->SaveToString() : QString());
  return (FDirection == sdAscending ? QStringLiteral("u") : QStringLiteral("d")) + QString::number(FColumn);
}

void TSortSettings::LoadFromString(const QString& Value) {
  if (Value.isEmpty()) return;
  SetShow(true);
  if (Value.size() < 2) throw Exception(QStringLiteral("Invalid sort settings specifier"));
  const int columns = FOwner != nullptr ? FOwner->TotalColCount() : 0;
  if (Value.contains(QStringLiteral("i;"))) {
    FIndexShow = true;
    const QString rest = Value.mid(2);
    if (rest.isEmpty() || FOwner == nullptr) return;
    TSortIndexList* list = FOwner->SortIndexes();
    list->Clear();
    for (const QString& entry : rest.split(u';')) {
      if (entry.size() < 2) continue;
      int column = 0;
      // An entry naming no column of the grid is left out.
      if (!TryStrToInt(entry.mid(1), column) || column < 0 || column >= columns) continue;
      list->AddIndex(column, entry[0] == u'u');
    }
    FOwner->QSortIndexed();
    return;
  }
  FIndexShow = false;
  FDirection = Value.contains(u'u') ? sdAscending : sdDescending;
  int column = 0;
  if (!TryStrToInt(Value.mid(1), column)) return;
  // A column the grid does not have leaves the order as it was.
  if (column < -1 || column >= columns) return;
  SetColumn(column);
  if (FOwner != nullptr) FOwner->QSort();
}
