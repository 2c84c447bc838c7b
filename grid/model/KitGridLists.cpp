#include "grid/model/KitGridLists.h"

#include <QStringList>
#include <memory>

#include "platform/rtl/Lists.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/SysUtils.h"

namespace {
constexpr uint32_t kDescendingBit = 0x80000000u;
constexpr uint32_t kColumnBits = 0x7FFFFFFFu;
}  // namespace

// ---------------------------------------------------------------------------
// TIntList

TIntList::~TIntList() {
  FItems.clear();
  Changed();
}

void TIntList::Changed() {
  if (OnChange) OnChange(this, FCol, FRow);
}

void TIntList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= Count()) TList::Error(RtlConsts::SListIndexError, Index);
}

void TIntList::Clear() {
  FItems.clear();
  Changed();
}

int TIntList::Items(int Index) const {
  CheckIndex(Index);
  return FItems[Index];
}

void TIntList::SetItems(int Index, int Value) {
  CheckIndex(Index);
  FItems[Index] = Value;
  Changed();
}

void TIntList::Add(int Value) {
  FItems.push_back(Value);
  Changed();
}

void TIntList::Insert(int Index, int Value) {
  if (Index < 0 || Index > Count()) TList::Error(RtlConsts::SListIndexError, Index);
  FItems.insert(FItems.begin() + Index, Value);
}

void TIntList::Insert(int Value) {
  if (FItems.empty()) {
    Add(Value);
    return;
  }
  FItems.insert(FItems.begin() + SortedPosOf(Value), Value);
}

void TIntList::Delete(int Index) {
  CheckIndex(Index);
  FItems.erase(FItems.begin() + Index);
  Changed();
}

void TIntList::DeleteValue(int Value) {
  for (size_t i = 0; i < FItems.size(); ++i) {
    if (FItems[i] == Value) {
      FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(i));
      Changed();
      return;
    }
  }
}

bool TIntList::HasValue(int Value) const {
  for (int32_t item : FItems)
    if (item == Value) return true;
  return false;
}

int TIntList::SortedIndexOf(int Value) const {
  int low = 0;
  int high = Count() - 1;
  while (low <= high) {
    const int mid = low + (high - low) / 2;
    if (Value < FItems[mid]) high = mid - 1;
    else if (FItems[mid] < Value) low = mid + 1;
    else return mid;
  }
  return -1;
}

int TIntList::SortedPosOf(int Value) const {
  if (FItems.empty()) return 0;
  int low = 0;
  int high = Count() - 1;
  int mid = 0;
  while (low <= high) {
    mid = low + (high - low) / 2;
    if (Value < FItems[mid]) high = mid - 1;
    else if (FItems[mid] < Value) low = mid + 1;
    else break;
  }
  return FItems[mid] < Value ? mid + 1 : mid;
}

QString TIntList::StrValue() const {
  QString result;
  for (size_t i = 0; i < FItems.size(); ++i) {
    if (i > 0) result += u',';
    result += QString::number(FItems[i]);
  }
  return result;
}

void TIntList::SetStrValue(const QString& Value) {
  Clear();
  TStringList parts;
  parts.SetCommaText(Value);
  for (int i = 0; i < parts.Count(); ++i) Add(StrToInt(parts.Strings(i)));
}

// ---------------------------------------------------------------------------
// TSortIndexList

int TSortIndexList::SortColumns(int Index) const {
  return static_cast<int>(static_cast<uint32_t>(Items(Index)) & kColumnBits);
}

void TSortIndexList::SetSortColumns(int Index, int Value) {
  const uint32_t item = static_cast<uint32_t>(Items(Index));
  SetItems(Index, static_cast<int>((item & kDescendingBit) | (static_cast<uint32_t>(Value) & kColumnBits)));
}

bool TSortIndexList::SortDirections(int Index) const {
  return (static_cast<uint32_t>(Items(Index)) & kDescendingBit) == 0;
}

void TSortIndexList::SetSortDirections(int Index, bool Value) {
  const uint32_t item = static_cast<uint32_t>(Items(Index));
  SetItems(Index, static_cast<int>(Value ? item & kColumnBits : item | kDescendingBit));
}

void TSortIndexList::AddIndex(int ColumnIndex, bool Ascending) {
  const uint32_t column = static_cast<uint32_t>(ColumnIndex);
  Add(static_cast<int>(Ascending ? column : column | kDescendingBit));
}

int TSortIndexList::FindIndex(int ColumnIndex) const {
  for (int i = 0; i < Count(); ++i)
    if (SortColumns(i) == static_cast<int>(static_cast<uint32_t>(ColumnIndex) & kColumnBits)) return i;
  return -1;
}

void TSortIndexList::ToggleIndex(int ColumnIndex) {
  const int index = FindIndex(ColumnIndex);
  if (index < 0) return;
  SetItems(index, static_cast<int>(static_cast<uint32_t>(Items(index)) ^ kDescendingBit));
}

QString TSortIndexList::SaveToString() const {
  QString result;
  for (int i = 0; i < Count(); ++i) {
    if (i > 0) result += u';';
    result += SortDirections(i) ? u'u' : u'd';
    result += QString::number(static_cast<uint32_t>(Items(i)) & 0xFFFFu);
  }
  return result;
}

void TSortIndexList::LoadFromString(const QString& s) {
  Clear();
  for (const QString& entry : s.split(u';')) {
    if (entry.size() < 2) continue;
    AddIndex(StrToIntDef(entry.mid(1), 0), entry[0] == u'u');
  }
}

// ---------------------------------------------------------------------------
// TFileStringList

void TFileStringList::Reset() {
  Fp = 0;
  FCache.clear();
}

void TFileStringList::ReadLn(QString& s) {
  s = Strings(Fp);
  ++Fp;
}

void TFileStringList::Write(const QString& s) { FCache += s; }

void TFileStringList::WriteLn(const QString& s) {
  Add(FCache + s);
  FCache.clear();
}
