#include "platform/office/ExcelModel.h"

#include <QFile>
#include <algorithm>
#include <set>

#include "platform/office/ComObj.h"
#include "platform/office/Excel.h"

namespace Excel::detail {

namespace {

const TRow* FindRow(const std::vector<TRow>& rows, int row) {
  auto it = std::lower_bound(rows.begin(), rows.end(), row, [](const TRow& r, int n) { return r.Row < n; });
  return it != rows.end() && it->Row == row ? &*it : nullptr;
}

QVariant TextOf(const QVariant& v) {
  if (VarIsEmpty(v)) return QVariant();
  QString text = v.metaType() == QMetaType::fromType<QString>() ? v.toString() : VarToStr(v);
  if (text.isEmpty()) return QVariant();
  if (text.size() > MaxCellChars) text = CellText(text);
  return text;
}

}  // namespace

QVariant TSheetStore::Get(int row, int col) const {
  for (auto it = Blocks.rbegin(); it != Blocks.rend(); ++it)
    if (it->Rect.Contains(row, col))
      return it->Values.Item(qsizetype(row - it->Rect.Row1) * it->Rect.ColCount() + (col - it->Rect.Col1));
  if (const TRow* r = FindRow(Loaded, row)) {
    auto it = std::lower_bound(r->Cells.begin(), r->Cells.end(), col, [](const TCell& c, int n) { return c.Col < n; });
    if (it != r->Cells.end() && it->Col == col) return it->Value;
  }
  return QVariant();
}

bool TSheetStore::UsedRect(TCellRect& rect) const {
  bool any = false;
  auto add = [&](int row, int col) {
    if (!any) {
      rect = {row, col, row, col};
      any = true;
      return;
    }
    rect.Row1 = std::min(rect.Row1, row);
    rect.Row2 = std::max(rect.Row2, row);
    rect.Col1 = std::min(rect.Col1, col);
    rect.Col2 = std::max(rect.Col2, col);
  };
  for (const TRow& r : Loaded)
    for (const TCell& c : r.Cells)
      if (!VarIsEmpty(c.Value)) add(r.Row, c.Col);
  for (const TBlock& b : Blocks) {
    // Only the cells that hold text count.
    for (int i = 0; i < b.Rect.RowCount(); ++i)
      for (int j = 0; j < b.Rect.ColCount(); ++j)
        if (!VarIsEmpty(b.Values.Item(qsizetype(i) * b.Rect.ColCount() + j))) add(b.Rect.Row1 + i, b.Rect.Col1 + j);
  }
  if (!any) return false;
  // A cell cleared by a later block no longer counts; shrink the rectangle
  // when its edges hold nothing any more.
  auto rowHas = [&](int row) {
    for (int c = rect.Col1; c <= rect.Col2; ++c)
      if (!VarIsEmpty(Get(row, c))) return true;
    return false;
  };
  auto colHas = [&](int col) {
    for (int r = rect.Row1; r <= rect.Row2; ++r)
      if (!VarIsEmpty(Get(r, col))) return true;
    return false;
  };
  if (Blocks.empty()) return true;
  while (rect.Row1 < rect.Row2 && !rowHas(rect.Row1)) ++rect.Row1;
  while (rect.Row2 > rect.Row1 && !rowHas(rect.Row2)) --rect.Row2;
  while (rect.Col1 < rect.Col2 && !colHas(rect.Col1)) ++rect.Col1;
  while (rect.Col2 > rect.Col1 && !colHas(rect.Col2)) --rect.Col2;
  return rowHas(rect.Row1);
}

TVarArray TSheetStore::Values(const TCellRect& rect) const {
  TVarArray result(rect.RowCount(), rect.ColCount(), 1);
  auto first = std::lower_bound(Loaded.begin(), Loaded.end(), rect.Row1,
                                [](const TRow& r, int n) { return r.Row < n; });
  for (auto r = first; r != Loaded.end() && r->Row <= rect.Row2; ++r) {
    auto c = std::lower_bound(r->Cells.begin(), r->Cells.end(), rect.Col1,
                              [](const TCell& cell, int n) { return cell.Col < n; });
    for (; c != r->Cells.end() && c->Col <= rect.Col2; ++c)
      result.Set(r->Row - rect.Row1 + 1, c->Col - rect.Col1 + 1, c->Value);
  }
  for (const TBlock& b : Blocks) {
    const int r1 = std::max(rect.Row1, b.Rect.Row1), r2 = std::min(rect.Row2, b.Rect.Row2);
    const int c1 = std::max(rect.Col1, b.Rect.Col1), c2 = std::min(rect.Col2, b.Rect.Col2);
    for (int r = r1; r <= r2; ++r)
      for (int c = c1; c <= c2; ++c)
        result.Set(r - rect.Row1 + 1, c - rect.Col1 + 1,
                   b.Values.Item(qsizetype(r - b.Rect.Row1) * b.Rect.ColCount() + (c - b.Rect.Col1)));
  }
  return result;
}

void TSheetStore::Write(const TCellRect& rect, const TVarArray& values) {
  if (values.RowCount() != rect.RowCount() || values.ColCount() != rect.ColCount())
    throw EOleException(QStringLiteral("The array (%1 x %2) does not fit the range (%3 x %4)")
                            .arg(values.RowCount()).arg(values.ColCount())
                            .arg(rect.RowCount()).arg(rect.ColCount()));
  // Keep the caller's array (shared, not copied) when it already holds short
  // texts only; otherwise store a converted copy.
  const qsizetype n = qsizetype(values.RowCount()) * values.ColCount();
  qsizetype i = 0;
  for (; i < n; ++i) {
    const QVariant& v = values.Item(i);
    if (!v.isValid()) continue;
    if (v.metaType() != QMetaType::fromType<QString>()) break;
    const QString* s = static_cast<const QString*>(v.constData());
    if (s->isEmpty() || s->size() > MaxCellChars) break;
  }
  if (i == n) {
    Blocks.push_back({rect, values});
    return;
  }
  TVarArray converted(values.RowCount(), values.ColCount(), 0);
  for (qsizetype k = 0; k < n; ++k) {
    const int r = int(k / values.ColCount()), c = int(k % values.ColCount());
    converted.Set(r, c, TextOf(values.Item(k)));  // raises for error values
  }
  Blocks.push_back({rect, converted});
}

void TSheetStore::Write(int row, int col, const QVariant& value) {
  TVarArray one(1, 1, 0);
  one.Set(0, 0, value);
  Write(TCellRect{row, col, row, col}, one);
}

bool TSheetStore::WrittenRow(int row, std::vector<std::pair<int, const QVariant*>>& cells) const {
  cells.clear();
  bool touched = false;
  for (const TBlock& b : Blocks) {
    if (row < b.Rect.Row1 || row > b.Rect.Row2) continue;
    const qsizetype base = qsizetype(row - b.Rect.Row1) * b.Rect.ColCount();
    if (!touched) {
      touched = true;
      cells.reserve(size_t(b.Rect.ColCount()));
      for (int c = 0; c < b.Rect.ColCount(); ++c) cells.emplace_back(b.Rect.Col1 + c, &b.Values.Item(base + c));
      continue;
    }
    // Later blocks win: merge by column.
    std::vector<std::pair<int, const QVariant*>> merged;
    merged.reserve(cells.size() + size_t(b.Rect.ColCount()));
    size_t k = 0;
    for (int c = b.Rect.Col1; c <= b.Rect.Col2; ++c) {
      while (k < cells.size() && cells[k].first < c) merged.push_back(cells[k++]);
      if (k < cells.size() && cells[k].first == c) ++k;
      merged.emplace_back(c, &b.Values.Item(base + (c - b.Rect.Col1)));
    }
    while (k < cells.size()) merged.push_back(cells[k++]);
    cells.swap(merged);
  }
  return touched;
}

std::vector<int> TSheetStore::WrittenRows() const {
  std::vector<std::pair<int, int>> spans;
  for (const TBlock& b : Blocks) spans.emplace_back(b.Rect.Row1, b.Rect.Row2);
  std::sort(spans.begin(), spans.end());
  std::vector<int> rows;
  int next = 0;
  for (auto [a, z] : spans) {
    for (int r = std::max(a, next); r <= z; ++r) rows.push_back(r);
    next = std::max(next, z + 1);
  }
  return rows;
}

void TSheetStore::Normalise() {
  auto byCol = [](const TCell& a, const TCell& b) { return a.Col < b.Col; };
  bool sorted = true;
  for (size_t i = 0; i < Loaded.size(); ++i) {
    if (i > 0 && Loaded[i - 1].Row >= Loaded[i].Row) sorted = false;
    if (!std::is_sorted(Loaded[i].Cells.begin(), Loaded[i].Cells.end(), byCol)) sorted = false;
  }
  if (sorted) {
    for (TRow& r : Loaded)
      for (size_t i = 1; i < r.Cells.size(); ++i)
        if (r.Cells[i - 1].Col == r.Cells[i].Col) sorted = false;
    if (sorted) return;
  }
  std::stable_sort(Loaded.begin(), Loaded.end(), [](const TRow& a, const TRow& b) { return a.Row < b.Row; });
  std::vector<TRow> merged;
  for (TRow& r : Loaded) {
    if (!merged.empty() && merged.back().Row == r.Row) {
      for (TCell& c : r.Cells) merged.back().Cells.push_back(std::move(c));
    } else {
      merged.push_back(std::move(r));
    }
  }
  for (TRow& r : merged) {
    std::stable_sort(r.Cells.begin(), r.Cells.end(), byCol);
    // A column listed twice keeps its last value.
    std::vector<TCell> unique;
    for (TCell& c : r.Cells) {
      if (!unique.empty() && unique.back().Col == c.Col) unique.back() = std::move(c);
      else unique.push_back(std::move(c));
    }
    r.Cells.swap(unique);
  }
  Loaded.swap(merged);
}

TFileKind SniffFile(const QString& fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly))
    throw EOleException(QStringLiteral("Cannot open \"%1\": %2").arg(fileName, file.errorString()));
  const QByteArray head = file.read(8);
  if (head.startsWith("PK")) return fkXlsx;
  if (head.startsWith(QByteArray::fromHex("D0CF11E0"))) return fkXls;
  throw EOleException(QStringLiteral("Incorrect Excel file"));
}

}  // namespace Excel::detail
