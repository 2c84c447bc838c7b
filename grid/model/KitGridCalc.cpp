// Aggregates over columns, rows, rectangles and the selection. Columns are
// real column indexes (a hidden column keeps its index). Cell values
// are read as floats (HTML stripped, empty or "-" as 0, the point as decimal
// separator); a column's counted rows leave out covered cells of merged
// areas and, while the grid is grouped, node and summary rows.

#include <QStringList>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>

#include "foundation/KitMiniHTMLText.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridUtils.h"

namespace {

// A cell's value as Floats (or, by real row, AllFloats) reads it, without
// an exception for a text that holds no number: false then. Plain numbers
// take a short path; anything unusual goes through the typed access itself.
// A text that is exactly a decimal number with a point ("-12.5", "3e4"):
// its value, as the typed access would read it.
bool PlainNumber(const QString& text, double& Value) {
  char buf[64];
  const qsizetype n = text.size();
  if (n == 0 || n >= qsizetype(sizeof buf) || text[0] == u'+') return false;
  for (qsizetype i = 0; i < n; ++i) {
    const char16_t c = text[i].unicode();
    if (c >= 128) return false;
    buf[i] = char(c);
  }
  double v = 0;
  const auto res = std::from_chars(buf, buf + n, v);
  if (res.ec != std::errc() || res.ptr != buf + n || !std::isfinite(v)) return false;
  Value = v;
  return true;
}

bool ReadFloat(TKitStringGrid& G, int ACol, int ARow, bool RealRow, double& Value) {
  QString text = RealRow ? G.GetCellByRealRow(ACol, ARow) : G.Cells(ACol, ARow);
  // Where a point groups thousands the typed access reads "1.234" as 1234.
  const bool pointGroups = UtilThousandSeparator() == u'.';
  if (!pointGroups && PlainNumber(text, Value)) return true;
  if (!RealRow && (text.contains(u'<') || text.contains(u'&'))) text = MiniHtmlToText(text);
  text = ExtractFloatText(text);
  if (text.isEmpty() || text == u'-') {
    Value = 0;
    return true;
  }
  if (PlainNumber(text, Value)) return true;
  try {
    Value = RealRow ? G.AllFloats(ACol, ARow) : G.Floats(ACol, ARow);
    return true;
  } catch (const EKitGridError&) {
    return false;
  }
}

// Case-insensitive ordering for the distinct count.
struct TCaseInsensitiveLess {
  bool operator()(const QString& a, const QString& b) const { return a.compare(b, Qt::CaseInsensitive) < 0; }
};

}  // namespace

void TKitStringGrid::DefaultRowRange(int& FromRow, int& ToRow) const {
  if (FromRow == -1 || ToRow == -1) {
    FromRow = FixedRows();
    ToRow = RowCount() - FixedFooters() - 1;
  }
}

template <class Fn>
void TKitStringGrid::ForCountedRows(int ACol, int FromRow, int ToRow, Fn&& F) {
  // A range that reaches beyond the shown rows counts by real row index,
  // hidden rows included.
  const bool footerShown = FFloatingFooter != nullptr && FFloatingFooter->Visible();
  const bool hiddenMode = FCalcRealRows || (footerShown ? ToRow >= RowCount() : ToRow > RowCount());
  // Rows that do not exist are not read.
  const int last = std::min(ToRow, (hiddenMode ? AllRowCount() : RowCount()) - 1);
  const int first = std::max(FromRow, 0);
  if (ACol < 0 || ACol >= TotalColCount()) return;
  const bool grouped = GroupColumn() != -1;
  ExportNotification(esExportStart, first);
  for (int r = first; r <= last; ++r) {
    const int d = hiddenMode ? DisplRowIndex(r) : r;
    if (grouped && (IsNode(d) || IsSummary(d)) && !IsHiddenRow(r)) continue;
    if (d >= 0 && d < RowCount() && !IsBaseCell(ACol, d)) continue;
    ExportNotification(esExportNextRow, r);
    double v = 0;
    if (ReadFloat(*this, ACol, r, hiddenMode, v)) F(v);
  }
  ExportNotification(esExportDone, -1);
}

double TKitStringGrid::ColumnSum(int ACol, int FromRow, int ToRow) {
  DefaultRowRange(FromRow, ToRow);
  double sum = 0;
  ForCountedRows(ACol, FromRow, ToRow, [&sum](double v) { sum += v; });
  return sum;
}

double TKitStringGrid::ColumnAvg(int ACol, int FromRow, int ToRow) {
  DefaultRowRange(FromRow, ToRow);
  // Every row of the range divides, the skipped, empty and non-numeric ones
  // included.
  const int n = ToRow - FromRow + 1;
  if (n <= 0) return 0;
  return ColumnSum(ACol, FromRow, ToRow) / n;
}

double TKitStringGrid::ColumnMin(int ACol, int FromRow, int ToRow) {
  DefaultRowRange(FromRow, ToRow);
  if (ToRow < FromRow || FromRow < 0 || FromRow >= RowCount()) return 0;
  // The first row starts the search, read before any check: it fails when
  // not numeric, and an empty first cell starts at 0.
  double m = Floats(ACol, FromRow);
  ForCountedRows(ACol, FromRow, ToRow, [&m](double v) {
    if (v < m || std::isnan(m)) m = v;
  });
  return m;
}

double TKitStringGrid::ColumnMax(int ACol, int FromRow, int ToRow) {
  DefaultRowRange(FromRow, ToRow);
  if (ToRow < FromRow || FromRow < 0 || FromRow >= RowCount()) return 0;
  double m = Floats(ACol, FromRow);
  ForCountedRows(ACol, FromRow, ToRow, [&m](double v) {
    if (v > m || std::isnan(m)) m = v;
  });
  return m;
}

double TKitStringGrid::ColumnStdDev(int ACol, int FromRow, int ToRow) {
  DefaultRowRange(FromRow, ToRow);
  const int n = ToRow - FromRow + 1;
  if (n <= 0) return 0;
  const double avg = ColumnAvg(ACol, FromRow, ToRow);
  // Every row of the range counts; a non-numeric cell fails the call.
  double squares = 0;
  const int last = std::min(ToRow, RowCount() - 1);
  for (int r = std::max(FromRow, 0); r <= last; ++r) {
    const double d = Floats(ACol, r) - avg;
    squares += d * d;
  }
  return std::sqrt(squares / n);
}

double TKitStringGrid::ColumnDistinct(int ACol, int FromRow, int ToRow) {
  DefaultRowRange(FromRow, ToRow);
  if (ACol < 0 || ACol >= TotalColCount()) return 0;
  std::set<QString, TCaseInsensitiveLess> values;
  const int last = std::min(ToRow, RowCount() - 1);
  for (int r = std::max(FromRow, 0); r <= last; ++r) values.insert(Cells(ACol, r));
  return double(values.size());
}

double TKitStringGrid::ColumnCount(int ACol, int FromRow, int ToRow) {
  if (FromRow != -1 && ToRow != -1) return ToRow - FromRow + 1;
  return RowCount() - FixedRows() - FixedFooters();
}

double TKitStringGrid::ColumnCustomCalc(int ACol, int FromRow, int ToRow) {
  DefaultRowRange(FromRow, ToRow);
  double res = 0;
  if (OnColumnCalc) OnColumnCalc(this, ACol, FromRow, ToRow, res);
  return res;
}

// ---------------------------------------------------------------------------
// Rows

double TKitStringGrid::RowSum(int ARow, int FromCol, int ToCol) {
  double sum = 0;
  const int last = std::min(ToCol, TotalColCount() - 1);
  for (int c = std::max(FromCol, 0); c <= last; ++c) {
    double v = 0;
    if (IsBaseCell(c, ARow) && ReadFloat(*this, c, ARow, false, v)) sum += v;
  }
  return sum;
}

double TKitStringGrid::RowAvg(int ARow, int FromCol, int ToCol) {
  const int n = ToCol - FromCol + 1;
  if (n <= 0) return 0;
  return RowSum(ARow, FromCol, ToCol) / n;
}

double TKitStringGrid::RowMin(int ARow, int FromCol, int ToCol) {
  double m = Floats(FromCol, ARow);
  const int last = std::min(ToCol, TotalColCount() - 1);
  for (int c = std::max(FromCol, 0); c <= last; ++c) {
    double v = 0;
    if (IsBaseCell(c, ARow) && ReadFloat(*this, c, ARow, false, v)) m = std::min(m, v);
  }
  return m;
}

double TKitStringGrid::RowMax(int ARow, int FromCol, int ToCol) {
  double m = Floats(FromCol, ARow);
  const int last = std::min(ToCol, TotalColCount() - 1);
  for (int c = std::max(FromCol, 0); c <= last; ++c) {
    double v = 0;
    if (IsBaseCell(c, ARow) && ReadFloat(*this, c, ARow, false, v)) m = std::max(m, v);
  }
  return m;
}

// ---------------------------------------------------------------------------
// Rectangles and the selection

double TKitStringGrid::RectCalc(const TGridRect& GR, TCalcType CalcType) {
  TGridRect r = GR;
  if (r.Left > r.Right) std::swap(r.Left, r.Right);
  if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
  double res = 0;
  if (CalcType == ctMin || CalcType == ctMax) res = AllFloats(r.Left, r.Top);
  int count = 0;
  for (int c = r.Left; c <= r.Right; ++c)
    for (int row = r.Top; row <= r.Bottom; ++row) {
      const double v = AllFloats(c, row);
      switch (CalcType) {
        case ctSum:
        case ctAvg: res += v; break;
        case ctMin: res = std::min(res, v); break;
        case ctMax: res = std::max(res, v); break;
      }
      ++count;
    }
  if (CalcType == ctAvg && count > 0) res /= count;
  return res;
}
