#pragma once
// TCollection: an ordered list of TCollectionItem objects that it owns, all
// made by one item class. TOwnedCollection adds an owner for naming.
//
// The item class ("class of" in the framework) is a factory that makes an
// item inside the collection it is given:
//   TCollection items([](TCollection* c) { return new TMyItem(c); });
//   auto items = TCollection::Create<TMyItem>();
// An item's constructor takes the collection and enters it; deleting an item
// takes it out. Items made through Add or Insert are announced (Notify
// cnAdded, Update) once fully constructed, and Delete, Clear and the
// collection's destructor take an item out (cnExtracting) before deleting it.
// An item constructed or deleted directly is announced from TCollectionItem's
// own constructor or destructor, when its descendant part does not exist.

#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <type_traits>

#include "platform/rtl/Persistent.h"

class TCollection;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TCollectionItem)
  // Enters Collection (when given) at its end.
  explicit TCollectionItem(TCollection* Collection);
  TCollectionItem(const TCollectionItem&) = delete;
  TCollectionItem& operator=(const TCollectionItem&) = delete;
  ~TCollectionItem() override;

  TCollection* Collection() const { return FCollection; }
  // Moves the item to another collection (nullptr: takes it out; the caller
  // then owns it).
  virtual void SetCollection(TCollection* Value);
  // Position in the collection, -1 outside one.
  int Index() const;
  // Moves the item within its collection; raises EListError for a position
  // outside the list.
  virtual void SetIndex(int Value);
  // Unique within the collection, never reused; -1 outside any collection
  // it never belonged to.
  int ID() const { return FID; }
  // Shown by designers; the class name unless a descendant says otherwise.
  virtual QString DisplayName() const { return ClassName(); }
  virtual void SetDisplayName(const QString& Value);

  // "<collection path>[<index>]".
  QString GetNamePath() const override;
  TPersistent* GetOwner() const override;

 protected:
  // Tells the collection that this item (or, with AllItems, every item)
  // changed; nothing happens while the collection is updating.
  void Changed(bool AllItems);

 private:
  friend class TCollection;
  TCollection* FCollection = nullptr;
  int FID = -1;
};

// Collection items are created by class name inside their collection (see
// TypInfo.h).
TCollection* TypInfoOwnerClass(TCollectionItem*);

// Makes an item of the collection's item class inside the given collection.
using TCollectionItemClass = std::function<TCollectionItem*(TCollection* Collection)>;

// The item class of T: T's constructor with the collection.
template <class T>
TCollectionItemClass CollectionItemClassOf() {
  static_assert(std::is_base_of_v<TCollectionItem, T>);
  return [](TCollection* Collection) -> TCollectionItem* { return new T(Collection); };
}

class TCollection : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TCollection)
  explicit TCollection(TCollectionItemClass ItemClass);
  TCollection(const TCollection&) = delete;
  TCollection& operator=(const TCollection&) = delete;
  ~TCollection() override;

  // A collection of items of class T.
  template <class T>
  static std::unique_ptr<TCollection> Create() {
    return std::make_unique<TCollection>(CollectionItemClassOf<T>());
  }

  const TCollectionItemClass& ItemClass() const { return FItemClass; }

  // Makes a new item at the end and answers it.
  TCollectionItem* Add();
  // Makes a new item at Index (0..Count); raises EListError otherwise.
  TCollectionItem* Insert(int Index);
  // Deletes the item at Index (Notify cnDeleting, then cnExtracting).
  void Delete(int Index);
  void Clear();
  int Count() const { return static_cast<int>(FItems.size()); }
  // Raises EListError "List index out of bounds (<index>)".
  TCollectionItem* Items(int Index) const;
  // Assigns Value to the item at Index.
  void SetItems(int Index, TCollectionItem* Value);
  TCollectionItem* FindItemID(int ID) const;

  // Update(nullptr) runs once when the outermost EndUpdate is reached.
  virtual void BeginUpdate();
  virtual void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  // Copies the items of another collection (each new item assigned from the
  // source item); anything else goes to TPersistent.
  void Assign(TPersistent* Source) override;

  TPersistent* Owner() const { return GetOwner(); }
  // "<owner path>.<PropName>" when there is an owner with a path and the
  // owner named the property that holds this collection; else the class name.
  QString GetNamePath() const override;
  const QString& PropName() const { return FPropName; }
  void SetPropName(const QString& Value) { FPropName = Value; }

 protected:
  // Item changed (nullptr: the whole collection changed). Not called while
  // updating.
  virtual void Update(TCollectionItem* Item) {}
  // Item was added, is about to be taken out, or is about to be deleted.
  virtual void Notify(TCollectionItem* Item, TCollectionNotification Action) {}
  // Calls Update(nullptr) unless updating.
  void Changed();

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* Item);
  void RemoveItem(TCollectionItem* Item);
  void Announce(TCollectionItem* Item);
  void CheckIndex(int Index) const;

  TCollectionItemClass FItemClass;
  QList<TCollectionItem*> FItems;  // owned
  int FUpdateCount = 0;
  int FNextID = 0;
  QString FPropName;
  bool FDeferAnnounce = false;           // set while Add builds an item
  TCollectionItem* FUnannounced = nullptr;  // the item Add is building
};

class TOwnedCollection : public TCollection {
 public:
  TF_DECLARE_PUBLISHED(TOwnedCollection)
  TOwnedCollection(TPersistent* AOwner, TCollectionItemClass ItemClass)
      : TCollection(std::move(ItemClass)), FOwner(AOwner) {}

  template <class T>
  static std::unique_ptr<TOwnedCollection> Create(TPersistent* AOwner) {
    return std::make_unique<TOwnedCollection>(AOwner, CollectionItemClassOf<T>());
  }

  TPersistent* GetOwner() const override { return FOwner; }

 private:
  TPersistent* FOwner;
};
