// The grid's sparse cell store.

#include <algorithm>

#include "platform/rtl/MessageText.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/vcl/GridsPrivate.h"

namespace GridsDetail {

namespace {
[[noreturn]] void IndexError(int Index) {
  throw EStringListError(MessageText(RtlConsts::SListIndexError, {QString::number(Index)}));
}
}  // namespace

TGridCellStore::~TGridCellStore() = default;

void TGridCellStore::CheckCol(int ACol) {
  if (ACol < 0 || ACol >= MaxCols) IndexError(ACol);
}

void TGridCellStore::CheckRow(int ARow) {
  if (ARow < 0 || ARow >= MaxRows) IndexError(ARow);
}

const TGridCellStore::TCell* TGridCellStore::Find(int ACol, int ARow) const {
  CheckCol(ACol);
  CheckRow(ARow);
  if (size_t(ARow) >= FRows.size() || !FRows[size_t(ARow)]) return nullptr;
  const TRow& row = *FRows[size_t(ARow)];
  return size_t(ACol) < row.size() ? &row[size_t(ACol)] : nullptr;
}

TGridCellStore::TCell& TGridCellStore::Ensure(int ACol, int ARow) {
  CheckCol(ACol);
  CheckRow(ARow);
  if (size_t(ARow) >= FRows.size()) FRows.resize(size_t(ARow) + 1);
  std::unique_ptr<TRow>& row = FRows[size_t(ARow)];
  if (!row) {
    row = std::make_unique<TRow>();
    row->reserve(std::max(size_t(ACol) + 1, size_t(FRowHint)));
  }
  if (size_t(ACol) >= row->size()) row->resize(size_t(ACol) + 1);
  return (*row)[size_t(ACol)];
}

QString TGridCellStore::Text(int ACol, int ARow) const {
  const TCell* c = Find(ACol, ARow);
  return c ? c->Text : QString();
}

TObject* TGridCellStore::Object(int ACol, int ARow) const {
  const TCell* c = Find(ACol, ARow);
  return c ? c->Object : nullptr;
}

bool TGridCellStore::Assigned(int ACol, int ARow) const {
  const TCell* c = Find(ACol, ARow);
  return c && (!c->Text.isEmpty() || c->Object);
}

void TGridCellStore::SetText(int ACol, int ARow, const QString& Value) {
  if (Value.isEmpty() && !Find(ACol, ARow)) return;
  Ensure(ACol, ARow).Text = Value;
}

void TGridCellStore::SetObject(int ACol, int ARow, TObject* Value) {
  if (!Value && !Find(ACol, ARow)) return;
  Ensure(ACol, ARow).Object = Value;
}

void TGridCellStore::SetCell(int ACol, int ARow, const QString& Text, TObject* Object) {
  if (Text.isEmpty() && !Object && !Find(ACol, ARow)) return;
  TCell& c = Ensure(ACol, ARow);
  c.Text = Text;
  c.Object = Object;
}

void TGridCellStore::MoveRow(int From, int To) {
  CheckRow(From);
  CheckRow(To);
  if (From == To) return;
  const size_t needed = size_t(std::max(From, To)) + 1;
  // Nothing stored on the rows involved: nothing moves.
  if (size_t(std::min(From, To)) >= FRows.size()) return;
  if (FRows.size() < needed) FRows.resize(needed);
  if (From < To)
    std::rotate(FRows.begin() + From, FRows.begin() + From + 1, FRows.begin() + To + 1);
  else
    std::rotate(FRows.begin() + To, FRows.begin() + From, FRows.begin() + From + 1);
}

void TGridCellStore::ExchangeRows(int A, int B) {
  CheckRow(A);
  CheckRow(B);
  if (A == B) return;
  const size_t hi = size_t(std::max(A, B));
  // Neither row holds anything: nothing to exchange.
  if (size_t(std::min(A, B)) >= FRows.size()) return;
  if (FRows.size() <= hi) FRows.resize(hi + 1);
  std::swap(FRows[size_t(A)], FRows[size_t(B)]);
}

void TGridCellStore::MoveColumn(int From, int To) {
  CheckCol(From);
  CheckCol(To);
  if (From == To) return;
  const size_t needed = size_t(std::max(From, To)) + 1;
  for (std::unique_ptr<TRow>& row : FRows) {
    if (!row || row->size() <= size_t(std::min(From, To))) continue;
    if (row->size() < needed) row->resize(needed);
    if (From < To)
      std::rotate(row->begin() + From, row->begin() + From + 1, row->begin() + To + 1);
    else
      std::rotate(row->begin() + To, row->begin() + From, row->begin() + From + 1);
  }
}

void TGridCellStore::ClearRow(int ARow) {
  CheckRow(ARow);
  if (size_t(ARow) < FRows.size()) FRows[size_t(ARow)].reset();
}

void TGridCellStore::ClearColumn(int ACol) {
  CheckCol(ACol);
  for (std::unique_ptr<TRow>& row : FRows)
    if (row && size_t(ACol) < row->size()) (*row)[size_t(ACol)] = TCell{};
}

void TGridCellStore::Clear() { FRows.clear(); }

void TGridCellStore::ForEachObject(const std::function<void(int, int, TObject*)>& Visit) const {
  for (size_t r = 0; r < FRows.size(); ++r) {
    if (!FRows[r]) continue;
    const TRow& row = *FRows[r];
    for (size_t c = 0; c < row.size(); ++c)
      if (row[c].Object) Visit(int(c), int(r), row[c].Object);
  }
}

}  // namespace GridsDetail
