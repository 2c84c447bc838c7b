// Column widths and positions kept outside the grid, in an INI file or in
// the registry store, as ColumnSize's Key, Section and Location say: one
// value "Col" + i per column (the width divided by the DPI scale the grid
// recorded) and one value "Pos" + i per entry of the column-order list.
//
// A column without a stored width keeps its width as it is (it is not
// scaled as if it had been stored, which would widen it on every load at a
// scale other than 1). Stored values are checked: a width below 0 or beyond
// what the grid accepts leaves that column as it is.

#include <algorithm>
#include <cmath>
#include <memory>

#include "grid/io/KitGridIOSupport.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridLists.h"
#include "grid/model/KitGridNode.h"
#include "grid/model/KitGridUtils.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/Registry.h"

namespace {

std::unique_ptr<TCustomIniFile> OpenColumnStore(TColumnSize* Cs) {
  if (Cs->Location() == clIniFile) return std::make_unique<TMemIniFile>(Cs->Key());
  return std::make_unique<TRegistryIniFile>(Cs->Key());
}

bool StoreConfigured(TKitStringGrid& G) {
  return !G.ColumnSize()->Key().isEmpty() && !G.ColumnSize()->Section().isEmpty() && !G.IsDesignTime();
}

constexpr int kMaxStoredWidth = 100000;

}  // namespace

void TKitStringGrid::SaveColSizes() {
  if (!StoreConfigured(*this)) return;
  auto store = OpenColumnStore(ColumnSize());
  const double scale = DPIScale() > 0 ? DPIScale() : 1.0;
  const QString section = ColumnSize()->Section();
  for (int i = 0; i < ColCount(); ++i)
    store->WriteInteger(section, QStringLiteral("Col%1").arg(i), static_cast<int>(std::nearbyint(ColWidths(i) / scale)));
  store->UpdateFile();
}

void TKitStringGrid::LoadColSizes() {
  if (!StoreConfigured(*this)) return;
  auto store = OpenColumnStore(ColumnSize());
  const double scale = GetFormDpiScale(this);
  const QString section = ColumnSize()->Section();
  for (int i = 0; i < ColCount(); ++i) {
    const QString ident = QStringLiteral("Col%1").arg(i);
    if (!store->ValueExists(section, ident)) continue;
    const int stored = store->ReadInteger(section, ident, -1);
    if (stored < 0 || stored > kMaxStoredWidth) continue;
    const int w = static_cast<int>(std::nearbyint(stored * scale));
    if (w != ColWidths(i)) SetColWidths(i, w);
  }
  store->UpdateFile();
}

void TKitStringGrid::SaveColPositions() {
  if (!StoreConfigured(*this)) return;
  auto store = OpenColumnStore(ColumnSize());
  const QString section = ColumnSize()->Section();
  for (int i = 0; i < ColumnOrder()->Count(); ++i)
    store->WriteInteger(section, QStringLiteral("Pos%1").arg(i), ColumnOrder()->Items(i));
  store->UpdateFile();
}

void TKitStringGrid::LoadColPositions() {
  if (!StoreConfigured(*this)) return;
  auto store = OpenColumnStore(ColumnSize());
  const QString section = ColumnSize()->Section();
  if (!store->ValueExists(section, QStringLiteral("Pos0"))) return;
  // The whole list is read and checked before the grid's list changes: a
  // permutation of the columns, or nothing.
  const int n = AllColCount();
  std::vector<int> order;
  std::vector<bool> seen(n, false);
  for (int i = 0; i < n; ++i) {
    const int v = store->ReadInteger(section, QStringLiteral("Pos%1").arg(i), -1);
    if (v == -1) continue;
    if (v < 0 || v >= n || seen[v]) return;
    seen[v] = true;
    order.push_back(v);
  }
  if (static_cast<int>(order.size()) != n) return;
  // Hidden columns are shown for the move and hidden again afterwards, by
  // the same real index.
  std::vector<int> hidden;
  for (int i = 0; i < n; ++i)
    if (IsHiddenColumn(i)) hidden.push_back(i);
  UnHideColumnsAll();
  ApplyColumnOrder(order);
  for (auto it = hidden.rbegin(); it != hidden.rend(); ++it) HideColumn(*it);
  store->UpdateFile();
}

void TKitStringGrid::ApplyColumnOrder(const std::vector<int>& Order) {
  // Display position i takes the column whose unmoved index is Order[i];
  // the column-order list then holds Order itself.
  const int n = static_cast<int>(Order.size());
  ColumnOrder()->Clear();
  std::vector<int> at(n);
  for (int i = 0; i < n; ++i) at[i] = i;
  for (int i = 0; i < n && i < ColCount(); ++i) {
    const int from = static_cast<int>(std::find(at.begin(), at.end(), Order[i]) - at.begin());
    if (from != i && from < n && from < ColCount()) {
      MoveColumn(from, i);
      const int moved = at[from];
      at.erase(at.begin() + from);
      at.insert(at.begin() + i, moved);
    }
  }
  for (int v : Order) ColumnOrder()->Add(v);
}

// ---------------------------------------------------------------------------
// The column-state string: "count#widths#order#visibility".

QString TKitStringGrid::ColumnStatesToString() {
  const int n = AllColCount();
  QStringList widths, order, visible;
  for (int i = 0; i < n; ++i) widths << QString::number(i < ColCount() ? ColWidths(i) : DefaultColWidth());
  TIntList* list = ColumnOrder();
  const int orderCount = list->Count() == 0 ? n : std::max(n, list->Count());
  for (int i = 0; i < orderCount; ++i) order << QString::number(i < list->Count() ? list->Items(i) : i);
  for (int i = 0; i < n; ++i) visible << (IsHiddenColumn(i) ? QStringLiteral("0") : QStringLiteral("1"));
  return QString::number(n) + u'#' + widths.join(u',') + u'#' + order.join(u',') + u'#' + visible.join(u',');
}

void TKitStringGrid::StringToColumnStates(const QString& Value) {
  if (!Value.contains(u'#')) return;
  // The whole string is read and checked before anything is applied, so a
  // malformed string leaves the grid as it was.
  const QStringList parts = Value.split(u'#');
  const int n = StrToInt(parts.value(0));
  if (n < 1 || n > kitgridio::MaxLoadCols) throw EKitGridError(QStringLiteral("Invalid column count in column states"));
  auto entries = [n](const QString& Part) {
    const QStringList items = Part.split(u',');
    if (items.size() < n) throw EListError(QStringLiteral("List index out of bounds (%1)").arg(items.size()));
    return items;
  };
  std::vector<int> widths;
  for (const QString& s : entries(parts.value(1))) {
    widths.push_back(StrToInt(s));
    if (widths.back() < 0) throw EKitGridError(QStringLiteral("Invalid column width in column states"));
  }
  std::vector<int> order;
  if (!parts.value(2).isEmpty()) {
    std::vector<bool> seen(n, false);
    const QStringList items = entries(parts.value(2));
    for (int i = 0; i < n; ++i) {
      const int v = StrToInt(items[i]);
      if (v == -1) continue;
      if (v < 0 || v >= n || seen[v]) throw EKitGridError(QStringLiteral("Invalid column order in column states"));
      seen[v] = true;
      order.push_back(v);
    }
  }

  std::vector<int> hide;
  if (parts.size() > 3 && !parts[3].isEmpty()) {
    const QStringList items = entries(parts[3]);
    for (int i = n - 1; i >= 0; --i)
      if (items[i].trimmed() == QStringLiteral("0")) hide.push_back(i);
  }
  if (static_cast<int>(hide.size()) >= n) hide.pop_back();  // one column always stays

  ColumnOrder()->Clear();
  UnHideColumnsAll();
  SetColCount(n);
  if (static_cast<int>(order.size()) == n) ApplyColumnOrder(order);
  // From the last column to the first, by real index.
  for (int c : hide) HideColumn(c);
  // Widths by display position; a width of 0 suppresses the column.
  for (int i = 0; i < ColCount() && i < static_cast<int>(widths.size()); ++i)
    if (widths[i] != ColWidths(i)) SetColWidths(i, widths[i]);
}

