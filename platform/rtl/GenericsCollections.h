#pragma once
// The framework's generic containers: TList<T>, TObjectList<T>,
// TDictionary<TKey, TValue> and TObjectDictionary<TKey, TValue>, in the
// namespace Generics::Collections (the global TList and TObjectList are the
// untyped lists of Lists.h).
//
// Items. A list holds strings (QString), Integers (int32_t), Doubles
// (double) or pointers to objects of a published class (TList<TFoo*>);
// TObjectList<TFoo> is a list of TFoo* that frees its objects. A dictionary
// maps strings to pointers to objects of a published class;
// TObjectDictionary<QString, TFoo> frees its values. Other item types do not
// compile: object persistence has no form for them.
//
// Reflection. Every instantiation is a published class, named as the
// framework spells it and registered by that name once an instance exists
// (RegisterClass(ClassInfo<...>()) registers it beforehand):
//   TList<QString>                     "TList<System.string>"
//   TList<int32_t>                     "TList<System.Integer>"
//   TList<double>                      "TList<System.Double>"
//   TList<TFoo*>                       "TList<TFoo>"
//   TObjectList<TFoo>                  "TObjectList<TFoo>"
//   TDictionary<QString, TFoo*>        "TDictionary<System.string,TFoo>"
//   TObjectDictionary<QString, TFoo>   "TObjectDictionary<System.string,TFoo>"
// Code that does not know the item type (object persistence) walks, empties
// and fills them through IGenericList and IGenericDictionary.
//
// A dictionary keeps its pairs in the order they were added (the order of
// the framework's hash table is not defined), so documents saved from it
// are stable. Index errors raise EListError "List index out of bounds (%d)";
// a key added twice EListError "Duplicates not allowed", a missing key
// EListError "Item not found".

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/rtl/System.h"
#include "platform/rtl/TypInfo.h"

namespace Generics::Collections {

enum TCollectionNotification { cnAdded, cnRemoved, cnExtracted };

enum TDictionaryOwnership { doOwnsKeys, doOwnsValues };
using TDictionaryOwnerships = TSet<TDictionaryOwnership>;

// What a list holds, as code that does not know its item type sees it.
enum TGenericItemKind { gikString, gikInteger, gikDouble, gikObject };

// The untyped face of every TList<T> and TObjectList<T>.
class IGenericList {
 public:
  virtual ~IGenericList() = default;
  virtual TGenericItemKind ItemKind() const = 0;
  // The class of the items of a list of objects; null for the other kinds.
  virtual const TClassInfo* ItemClass() const = 0;
  // True when the list frees the objects it holds: only such a list can be
  // handed new objects.
  virtual bool OwnsItems() const = 0;
  virtual int Count() const = 0;
  virtual void Clear() = 0;
  // A string, Integer or Double item as QString, int or double; EInvalidCast
  // for a list of objects.
  virtual QVariant ItemValue(int Index) const = 0;
  // An object item (null when the list holds null); EInvalidCast for the
  // other kinds.
  virtual TObject* ItemObject(int Index) const = 0;
  // Appends a value of the item type (a QString for strings, an integral
  // value within the Integer range for Integers, any number for Doubles);
  // EInvalidCast for anything else and for a list of objects.
  virtual void AddValue(const QVariant& Value) = 0;
  // Appends Item (null allowed), which the list then owns. EInvalidCast when
  // it is not of the item class, EInvalidOperation when the list does not own
  // its items; in both cases Item is freed.
  virtual void AddObject(std::unique_ptr<TObject> Item) = 0;
};

// The untyped face of every TDictionary and TObjectDictionary.
class IGenericDictionary {
 public:
  virtual ~IGenericDictionary() = default;
  // The class of the values.
  virtual const TClassInfo* ValueClass() const = 0;
  // True when the dictionary frees its values.
  virtual bool OwnsValues() const = 0;
  virtual int Count() const = 0;
  virtual void Clear() = 0;
  // The pair at Index, in the order the pairs were added.
  virtual QString KeyText(int Index) const = 0;
  virtual TObject* ValueObject(int Index) const = 0;
  // Adds the pair; the dictionary then owns Value (null allowed).
  // EListError for a key already there, EInvalidCast for a value not of the
  // value class, EInvalidOperation when the dictionary does not own its
  // values; in each of these cases Value is freed.
  virtual void AddObject(const QString& Key, std::unique_ptr<TObject> Value) = 0;
};

namespace GenericsDetail {

[[noreturn]] void RaiseListIndexError(int Index);
[[noreturn]] void RaiseInvalidCast();
[[noreturn]] void RaiseNotOwned();
[[noreturn]] void RaiseDuplicateItem();
[[noreturn]] void RaiseItemNotFound();
QString ValueToString(const QVariant& Value);
int32_t ValueToInteger(const QVariant& Value);
double ValueToDouble(const QVariant& Value);
// "Generic<Arg1,Arg2>".
QString InstanceName(const char* Generic, const QStringList& Args);

template <class T>
inline constexpr bool kIsObjectPointer =
    std::is_pointer_v<T> && std::is_base_of_v<TObject, std::remove_cv_t<std::remove_pointer_t<T>>> &&
    !std::is_const_v<std::remove_pointer_t<T>>;

template <class T>
inline constexpr bool kIsItemType = std::is_same_v<T, QString> || std::is_same_v<T, int32_t> ||
                                    std::is_same_v<T, double> || kIsObjectPointer<T>;

template <class T>
constexpr TGenericItemKind ItemKindOf() {
  if constexpr (std::is_same_v<T, QString>) return gikString;
  else if constexpr (std::is_same_v<T, int32_t>) return gikInteger;
  else if constexpr (std::is_same_v<T, double>) return gikDouble;
  else return gikObject;
}

// The framework's spelling of an item type.
template <class T>
QString ItemTypeName() {
  if constexpr (std::is_same_v<T, QString>) return QStringLiteral("System.string");
  else if constexpr (std::is_same_v<T, int32_t>) return QStringLiteral("System.Integer");
  else if constexpr (std::is_same_v<T, double>) return QStringLiteral("System.Double");
  else return ::ClassInfo<std::remove_pointer_t<T>>()->ClassName();
}

template <class C, class P>
const TClassInfo* Publish(const QString& Name) {
  const QByteArray name = Name.toLatin1();
  return TypInfoDetail::BuildClassInfo<C, P>(name.constData(), &C::PublishedTable);
}

}  // namespace GenericsDetail

template <class T>
class TList : public TObject, public IGenericList {
  static_assert(GenericsDetail::kIsItemType<T>,
                "generic lists hold QString, int32_t, double or pointers to published classes");

 public:
  using TFPublishedSelf = TList;
  static const ::TClassInfo* StaticClassInfo() {
    static const ::TClassInfo* const info = GenericsDetail::Publish<TList, TObject>(
        GenericsDetail::InstanceName("TList", {GenericsDetail::ItemTypeName<T>()}));
    return info;
  }
  static ::TPublished<TList> PublishedTable() { return {}; }

  TList() { StaticClassInfo(); }
  TList(const TList&) = delete;
  TList& operator=(const TList&) = delete;

  int Count() const override { return static_cast<int>(FItems.size()); }
  T Items(int Index) const {
    CheckIndex(Index);
    return FItems[static_cast<size_t>(Index)];
  }
  void SetItems(int Index, const T& Value) {
    CheckIndex(Index);
    const T old = FItems[static_cast<size_t>(Index)];
    FItems[static_cast<size_t>(Index)] = Value;
    if (old == Value) return;  // an object put back in its own place stays alive
    Notify(old, cnRemoved);
    Notify(Value, cnAdded);
  }
  T First() const { return Items(0); }
  T Last() const { return Items(Count() - 1); }

  // Appends Value and answers its index.
  int Add(const T& Value) {
    FItems.push_back(Value);
    Notify(Value, cnAdded);
    return Count() - 1;
  }
  // Index may equal Count.
  void Insert(int Index, const T& Value) {
    if (Index < 0 || Index > Count()) GenericsDetail::RaiseListIndexError(Index);
    FItems.insert(FItems.begin() + Index, Value);
    Notify(Value, cnAdded);
  }
  void Delete(int Index) {
    CheckIndex(Index);
    const T old = FItems[static_cast<size_t>(Index)];
    FItems.erase(FItems.begin() + Index);
    Notify(old, cnRemoved);
  }
  // Deletes the first item equal to Value; answers its former index or -1.
  int Remove(const T& Value) {
    const int index = IndexOf(Value);
    if (index >= 0) Delete(index);
    return index;
  }
  // Takes the first item equal to Value out without freeing it; answers it,
  // or a default value when it is not there.
  T Extract(const T& Value) {
    const int index = IndexOf(Value);
    if (index < 0) return T();
    const T item = FItems[static_cast<size_t>(index)];
    FItems.erase(FItems.begin() + index);
    Notify(item, cnExtracted);
    return item;
  }
  int IndexOf(const T& Value) const {
    for (size_t i = 0; i < FItems.size(); ++i)
      if (FItems[i] == Value) return static_cast<int>(i);
    return -1;
  }
  bool Contains(const T& Value) const { return IndexOf(Value) >= 0; }
  void Clear() override {
    std::vector<T> items;
    items.swap(FItems);
    for (const T& item : items) Notify(item, cnRemoved);
  }

  auto begin() const { return FItems.cbegin(); }
  auto end() const { return FItems.cend(); }

  // IGenericList
  TGenericItemKind ItemKind() const override { return GenericsDetail::ItemKindOf<T>(); }
  const TClassInfo* ItemClass() const override {
    if constexpr (GenericsDetail::kIsObjectPointer<T>) return ::ClassInfo<std::remove_pointer_t<T>>();
    else return nullptr;
  }
  bool OwnsItems() const override { return false; }
  QVariant ItemValue(int Index) const override {
    if constexpr (GenericsDetail::kIsObjectPointer<T>) GenericsDetail::RaiseInvalidCast();
    else return QVariant::fromValue(Items(Index));
  }
  TObject* ItemObject(int Index) const override {
    if constexpr (GenericsDetail::kIsObjectPointer<T>) return Items(Index);
    else GenericsDetail::RaiseInvalidCast();
  }
  void AddValue(const QVariant& Value) override {
    if constexpr (std::is_same_v<T, QString>) Add(GenericsDetail::ValueToString(Value));
    else if constexpr (std::is_same_v<T, int32_t>) Add(GenericsDetail::ValueToInteger(Value));
    else if constexpr (std::is_same_v<T, double>) Add(GenericsDetail::ValueToDouble(Value));
    else GenericsDetail::RaiseInvalidCast();
  }
  void AddObject(std::unique_ptr<TObject> Item) override {
    if constexpr (GenericsDetail::kIsObjectPointer<T>) {
      if (!OwnsItems()) GenericsDetail::RaiseNotOwned();
      T typed = nullptr;
      if (Item) {
        typed = dynamic_cast<T>(Item.get());
        if (!typed) GenericsDetail::RaiseInvalidCast();
      }
      Add(typed);
      Item.release();  // the list holds it now
    } else {
      GenericsDetail::RaiseInvalidCast();
    }
  }

 protected:
  // Called after Item was added, or removed or extracted from the list.
  virtual void Notify(const T& Item, TCollectionNotification Action) {}

 private:
  void CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count()) GenericsDetail::RaiseListIndexError(Index);
  }

  std::vector<T> FItems;
};

// A list of T* that frees an object when it is deleted, removed, replaced
// or cleared from the list, or when the list dies (with OwnsObjects, the
// default); Extract hands an object back without freeing it.
template <class T>
class TObjectList : public TList<T*> {
  static_assert(std::is_base_of_v<TObject, T>, "object lists hold objects");

 public:
  using TFPublishedSelf = TObjectList;
  static const ::TClassInfo* StaticClassInfo() {
    static const ::TClassInfo* const info = GenericsDetail::Publish<TObjectList, TList<T*>>(
        GenericsDetail::InstanceName("TObjectList", {GenericsDetail::ItemTypeName<T*>()}));
    return info;
  }
  static ::TPublished<TObjectList> PublishedTable() { return {}; }

  explicit TObjectList(bool AOwnsObjects = true) : FOwnsObjects(AOwnsObjects) { StaticClassInfo(); }
  ~TObjectList() override { this->Clear(); }

  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }
  bool OwnsItems() const override { return FOwnsObjects; }

 protected:
  void Notify(T* const& Item, TCollectionNotification Action) override {
    TList<T*>::Notify(Item, Action);
    if (FOwnsObjects && Action == cnRemoved) delete Item;
  }

 private:
  bool FOwnsObjects;
};

template <class TKey, class TValue>
class TDictionary : public TObject, public IGenericDictionary {
  static_assert(std::is_same_v<TKey, QString>, "dictionary keys are strings");
  static_assert(GenericsDetail::kIsObjectPointer<TValue>, "dictionary values are pointers to published classes");

 public:
  using TFPublishedSelf = TDictionary;
  static const ::TClassInfo* StaticClassInfo() {
    static const ::TClassInfo* const info = GenericsDetail::Publish<TDictionary, TObject>(GenericsDetail::InstanceName(
        "TDictionary", {GenericsDetail::ItemTypeName<TKey>(), GenericsDetail::ItemTypeName<TValue>()}));
    return info;
  }
  static ::TPublished<TDictionary> PublishedTable() { return {}; }

  TDictionary() { StaticClassInfo(); }
  TDictionary(const TDictionary&) = delete;
  TDictionary& operator=(const TDictionary&) = delete;

  int Count() const override { return static_cast<int>(FPairs.size()); }
  // EListError "Duplicates not allowed" when Key is there already.
  void Add(const TKey& Key, const TValue& Value) {
    if (FIndex.contains(Key)) GenericsDetail::RaiseDuplicateItem();
    FPairs.emplace_back(Key, Value);
    FIndex.insert(Key, Count() - 1);
    ValueNotify(Value, cnAdded);
  }
  void AddOrSetValue(const TKey& Key, const TValue& Value) {
    if (FIndex.contains(Key)) SetItems(Key, Value);
    else Add(Key, Value);
  }
  // Nothing when Key is not there.
  void Remove(const TKey& Key) {
    const auto it = FIndex.constFind(Key);
    if (it == FIndex.cend()) return;
    const int index = it.value();
    const TValue old = FPairs[static_cast<size_t>(index)].second;
    FPairs.erase(FPairs.begin() + index);
    FIndex.remove(Key);
    for (size_t i = static_cast<size_t>(index); i < FPairs.size(); ++i) FIndex[FPairs[i].first] = static_cast<int>(i);
    ValueNotify(old, cnRemoved);
  }
  void Clear() override {
    std::vector<std::pair<TKey, TValue>> pairs;
    pairs.swap(FPairs);
    FIndex.clear();
    for (const auto& pair : pairs) ValueNotify(pair.second, cnRemoved);
  }
  bool ContainsKey(const TKey& Key) const { return FIndex.contains(Key); }
  bool TryGetValue(const TKey& Key, TValue& Value) const {
    const auto it = FIndex.constFind(Key);
    if (it == FIndex.cend()) return false;
    Value = FPairs[static_cast<size_t>(it.value())].second;
    return true;
  }
  // EListError "Item not found" when Key is not there.
  TValue Items(const TKey& Key) const {
    TValue value{};
    if (!TryGetValue(Key, value)) GenericsDetail::RaiseItemNotFound();
    return value;
  }
  void SetItems(const TKey& Key, const TValue& Value) {
    const auto it = FIndex.constFind(Key);
    if (it == FIndex.cend()) GenericsDetail::RaiseItemNotFound();
    TValue& slot = FPairs[static_cast<size_t>(it.value())].second;
    const TValue old = slot;
    slot = Value;
    if (old == Value) return;
    ValueNotify(old, cnRemoved);
    ValueNotify(Value, cnAdded);
  }
  // In the order the pairs were added.
  QList<TKey> Keys() const {
    QList<TKey> keys;
    for (const auto& pair : FPairs) keys.append(pair.first);
    return keys;
  }
  QList<TValue> Values() const {
    QList<TValue> values;
    for (const auto& pair : FPairs) values.append(pair.second);
    return values;
  }
  auto begin() const { return FPairs.cbegin(); }
  auto end() const { return FPairs.cend(); }

  // IGenericDictionary
  const TClassInfo* ValueClass() const override { return ::ClassInfo<std::remove_pointer_t<TValue>>(); }
  bool OwnsValues() const override { return false; }
  QString KeyText(int Index) const override { return Pair(Index).first; }
  TObject* ValueObject(int Index) const override { return Pair(Index).second; }
  void AddObject(const QString& Key, std::unique_ptr<TObject> Value) override {
    if (!OwnsValues()) GenericsDetail::RaiseNotOwned();
    TValue typed = nullptr;
    if (Value) {
      typed = dynamic_cast<TValue>(Value.get());
      if (!typed) GenericsDetail::RaiseInvalidCast();
    }
    Add(Key, typed);
    Value.release();  // the dictionary holds it now
  }

 protected:
  // Called after Value was added, or removed from the dictionary.
  virtual void ValueNotify(const TValue& Value, TCollectionNotification Action) {}

 private:
  const std::pair<TKey, TValue>& Pair(int Index) const {
    if (Index < 0 || Index >= Count()) GenericsDetail::RaiseListIndexError(Index);
    return FPairs[static_cast<size_t>(Index)];
  }

  std::vector<std::pair<TKey, TValue>> FPairs;
  QHash<TKey, int> FIndex;
};

// A dictionary from strings to TValue* that frees a value when it is
// removed, replaced or cleared, or when the dictionary dies (with
// doOwnsValues, the default). Keys are strings, so doOwnsKeys raises
// EInvalidCast.
template <class TKey, class TValue>
class TObjectDictionary : public TDictionary<TKey, TValue*> {
 public:
  using TFPublishedSelf = TObjectDictionary;
  static const ::TClassInfo* StaticClassInfo() {
    static const ::TClassInfo* const info =
        GenericsDetail::Publish<TObjectDictionary, TDictionary<TKey, TValue*>>(GenericsDetail::InstanceName(
            "TObjectDictionary", {GenericsDetail::ItemTypeName<TKey>(), GenericsDetail::ItemTypeName<TValue*>()}));
    return info;
  }
  static ::TPublished<TObjectDictionary> PublishedTable() { return {}; }

  explicit TObjectDictionary(TDictionaryOwnerships AOwnerships = {doOwnsValues}) : FOwnerships(AOwnerships) {
    if (AOwnerships.Contains(doOwnsKeys)) GenericsDetail::RaiseInvalidCast();
    StaticClassInfo();
  }
  ~TObjectDictionary() override { this->Clear(); }

  TDictionaryOwnerships Ownerships() const { return FOwnerships; }
  bool OwnsValues() const override { return FOwnerships.Contains(doOwnsValues); }

 protected:
  void ValueNotify(TValue* const& Value, TCollectionNotification Action) override {
    TDictionary<TKey, TValue*>::ValueNotify(Value, Action);
    if (Action == cnRemoved && OwnsValues()) delete Value;
  }

 private:
  TDictionaryOwnerships FOwnerships;
};

}  // namespace Generics::Collections
