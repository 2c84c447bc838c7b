#include "platform/rtl/Lists.h"

#include <algorithm>

#include "platform/rtl/ClassesPrivate.h"


// ---------------------------------------------------------------------------
// TList

TList::~TList() {
  // Only the list's own storage goes here: a descendant that owns its items
  // clears itself in its own destructor, while its Notify still applies.
  FList.clear();
}

void TList::Error(const char* Msg, NativeInt Data) {
  throw EListError(MessageText(Msg, {QString::number(Data)}));
}

void TList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= Count()) Error(RtlConsts::SListIndexError, Index);
}

void TList::Grow(int Needed) {
  // The framework's growth steps: 4, then 16, then a quarter of the capacity.
  while (FCapacity < Needed) {
    const int delta = FCapacity > 64 ? FCapacity / 4 : (FCapacity > 8 ? 16 : 4);
    FCapacity += delta;
  }
  FList.reserve(static_cast<size_t>(FCapacity));
}

TList* TList::Expand() {
  if (Count() == FCapacity) Grow(FCapacity + 1);
  return this;
}

int TList::Add(void* Item) {
  const int index = Count();
  if (index == FCapacity) Grow(index + 1);
  FList.push_back(Item);
  if (Item != nullptr) Notify(Item, lnAdded);
  return index;
}

void TList::Insert(int Index, void* Item) {
  if (Index < 0 || Index > Count()) Error(RtlConsts::SListIndexError, Index);
  if (Count() == FCapacity) Grow(Count() + 1);
  FList.insert(FList.begin() + Index, Item);
  if (Item != nullptr) Notify(Item, lnAdded);
}

void TList::Delete(int Index) {
  CheckIndex(Index);
  void* item = FList[static_cast<size_t>(Index)];
  FList.erase(FList.begin() + Index);
  if (item != nullptr) Notify(item, lnDeleted);
}

int TList::Remove(void* Item) {
  const int index = IndexOf(Item);
  if (index >= 0) Delete(index);
  return index;
}

void* TList::Extract(void* Item) {
  const int index = IndexOf(Item);
  if (index < 0) return nullptr;
  FList.erase(FList.begin() + index);
  if (Item != nullptr) Notify(Item, lnExtracted);
  return Item;
}

int TList::IndexOf(void* Item) const {
  const auto it = std::find(FList.begin(), FList.end(), Item);
  return it == FList.end() ? -1 : static_cast<int>(it - FList.begin());
}

void TList::Exchange(int Index1, int Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  std::swap(FList[static_cast<size_t>(Index1)], FList[static_cast<size_t>(Index2)]);
}

void TList::Move(int CurIndex, int NewIndex) {
  CheckIndex(NewIndex);
  CheckIndex(CurIndex);
  if (CurIndex == NewIndex) return;
  void* item = FList[static_cast<size_t>(CurIndex)];
  FList.erase(FList.begin() + CurIndex);
  FList.insert(FList.begin() + NewIndex, item);
}

void TList::Sort(const TListSortCompare& Compare) {
  if (!Compare || FList.size() < 2) return;
  classes_detail::MergeSort(FList, [&Compare](void* a, void* b) { return Compare(a, b); });
}

void TList::Pack() {
  for (int i = Count() - 1; i >= 0; --i)
    if (FList[static_cast<size_t>(i)] == nullptr) FList.erase(FList.begin() + i);
}

void* TList::First() const { return Items(0); }

void* TList::Last() const { return Items(Count() - 1); }

void TList::Clear() {
  SetCount(0);
  SetCapacity(0);
}

void TList::SetCount(int NewCount) {
  if (NewCount < 0) Error(RtlConsts::SListCountError, NewCount);
  if (NewCount > FCapacity) SetCapacity(NewCount);
  if (NewCount > Count()) {
    FList.resize(static_cast<size_t>(NewCount), nullptr);
    return;
  }
  // Last first, so each deletion notifies while the rest are still listed.
  for (int i = Count() - 1; i >= NewCount; --i) Delete(i);
}

void TList::SetCapacity(int NewCapacity) {
  if (NewCapacity < Count()) Error(RtlConsts::SListCapacityError, NewCapacity);
  if (NewCapacity == FCapacity) return;
  std::vector<void*> resized;
  resized.reserve(static_cast<size_t>(NewCapacity));
  resized.assign(FList.begin(), FList.end());
  FList.swap(resized);
  FCapacity = NewCapacity;
}

void* TList::Items(int Index) const {
  CheckIndex(Index);
  return FList[static_cast<size_t>(Index)];
}

void TList::SetItems(int Index, void* Item) {
  CheckIndex(Index);
  void* old = FList[static_cast<size_t>(Index)];
  if (old == Item) return;
  FList[static_cast<size_t>(Index)] = Item;
  if (old != nullptr) Notify(old, lnDeleted);
  if (Item != nullptr) Notify(Item, lnAdded);
}

// ---------------------------------------------------------------------------
// TObjectList

TObjectList::~TObjectList() {
  // Cleared here rather than in ~TList so that Notify (and with it the
  // deletion of owned objects) still dispatches to this class.
  Clear();
}

void TObjectList::Notify(void* Ptr, TListNotification Action) {
  if (FOwnsObjects && Action == lnDeleted) delete static_cast<TObject*>(Ptr);
  TList::Notify(Ptr, Action);
}
