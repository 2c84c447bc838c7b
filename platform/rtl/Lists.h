#pragma once
// TList (a list of untyped pointers) and TObjectList (a list of objects it
// may own), with typed conveniences over both. Every index is checked and a
// bad one raises EListError "List index out of bounds (<index>)".

#include <functional>
#include <vector>

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/System.h"
#include "platform/rtl/TypInfo.h"

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

// Compares two list items: negative, zero or positive.
using TListSortCompare = std::function<int(void* Item1, void* Item2)>;

class TList : public TObject {
 public:
  TF_DECLARE_PUBLISHED(TList)
  TList() = default;
  TList(const TList&) = delete;
  TList& operator=(const TList&) = delete;
  ~TList() override;

  // Appends Item and answers its index.
  int Add(void* Item);
  void Insert(int Index, void* Item);  // Index may equal Count
  void Delete(int Index);
  // Deletes the first occurrence of Item; answers its former index or -1.
  int Remove(void* Item);
  // Takes the first occurrence of Item out of the list without the deletion
  // notification; answers Item, or nullptr when it is not in the list.
  void* Extract(void* Item);
  int IndexOf(void* Item) const;
  void Exchange(int Index1, int Index2);
  // Moves the item at CurIndex so that it ends up at NewIndex.
  void Move(int CurIndex, int NewIndex);
  // Sorts with Compare (a stable merge sort: equal items keep their order).
  void Sort(const TListSortCompare& Compare);
  // Removes every nullptr item.
  void Pack();
  void* First() const;
  void* Last() const;
  // Grows the capacity ahead of a run of Adds; answers this list.
  TList* Expand();
  virtual void Clear();

  int Count() const { return static_cast<int>(FList.size()); }
  // Growing pads with nullptr items; shrinking deletes the items beyond.
  void SetCount(int NewCount);
  int Capacity() const { return FCapacity; }
  void SetCapacity(int NewCapacity);

  void* Items(int Index) const;
  void SetItems(int Index, void* Item);

  // Raises EListError with Msg (one %d placeholder) and Data.
  [[noreturn]] static void Error(const char* Msg, NativeInt Data);

 protected:
  // Called after an item was added, or extracted or deleted from the list.
  // Never called for nullptr items.
  virtual void Notify(void* Ptr, TListNotification Action) {}

 private:
  void CheckIndex(int Index) const;
  void Grow(int Needed);

  std::vector<void*> FList;
  int FCapacity = 0;
};

// A list of objects. With OwnsObjects (the default) the list deletes an
// object when it is deleted from the list, replaced, cleared away or when the
// list dies; Extract hands an object back without deleting it.
class TObjectList : public TList {
 public:
  TF_DECLARE_PUBLISHED(TObjectList)
  explicit TObjectList(bool AOwnsObjects = true) : FOwnsObjects(AOwnsObjects) {}
  ~TObjectList() override;

  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

  int Add(TObject* AObject) { return TList::Add(AObject); }
  void Insert(int Index, TObject* AObject) { TList::Insert(Index, AObject); }
  int Remove(TObject* AObject) { return TList::Remove(AObject); }
  TObject* Extract(TObject* Item) { return static_cast<TObject*>(TList::Extract(Item)); }
  int IndexOf(TObject* AObject) const { return TList::IndexOf(AObject); }
  TObject* First() const { return static_cast<TObject*>(TList::First()); }
  TObject* Last() const { return static_cast<TObject*>(TList::Last()); }
  TObject* Items(int Index) const { return static_cast<TObject*>(TList::Items(Index)); }
  void SetItems(int Index, TObject* AObject) { TList::SetItems(Index, AObject); }

 protected:
  void Notify(void* Ptr, TListNotification Action) override;

 private:
  bool FOwnsObjects;
};

// Typed view of TList for pointers to T (the list owns nothing).
template <class T>
class TTypedList : public TList {
 public:
  int Add(T* Item) { return TList::Add(Item); }
  void Insert(int Index, T* Item) { TList::Insert(Index, Item); }
  int Remove(T* Item) { return TList::Remove(Item); }
  T* Extract(T* Item) { return static_cast<T*>(TList::Extract(Item)); }
  int IndexOf(T* Item) const { return TList::IndexOf(Item); }
  T* First() const { return static_cast<T*>(TList::First()); }
  T* Last() const { return static_cast<T*>(TList::Last()); }
  T* Items(int Index) const { return static_cast<T*>(TList::Items(Index)); }
  void SetItems(int Index, T* Item) { TList::SetItems(Index, Item); }
  void Sort(const std::function<int(T*, T*)>& Compare) {
    TList::Sort([&Compare](void* A, void* B) { return Compare(static_cast<T*>(A), static_cast<T*>(B)); });
  }
};

// Typed view of TObjectList for objects of class T.
template <class T>
class TTypedObjectList : public TObjectList {
  static_assert(std::is_base_of_v<TObject, T>);

 public:
  explicit TTypedObjectList(bool AOwnsObjects = true) : TObjectList(AOwnsObjects) {}
  int Add(T* AObject) { return TObjectList::Add(AObject); }
  void Insert(int Index, T* AObject) { TObjectList::Insert(Index, AObject); }
  int Remove(T* AObject) { return TObjectList::Remove(AObject); }
  T* Extract(T* Item) { return static_cast<T*>(TObjectList::Extract(Item)); }
  int IndexOf(T* AObject) const { return TObjectList::IndexOf(AObject); }
  T* First() const { return static_cast<T*>(TObjectList::First()); }
  T* Last() const { return static_cast<T*>(TObjectList::Last()); }
  T* Items(int Index) const { return static_cast<T*>(TObjectList::Items(Index)); }
  void SetItems(int Index, T* AObject) { TObjectList::SetItems(Index, AObject); }
  void Sort(const std::function<int(T*, T*)>& Compare) {
    TList::Sort([&Compare](void* A, void* B) {
      return Compare(static_cast<T*>(static_cast<TObject*>(A)), static_cast<T*>(static_cast<TObject*>(B)));
    });
  }
};
