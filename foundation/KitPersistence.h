#pragma once
// Object persistence: any library object saved as JSON and loaded back,
// driven by the published-property tables of its class (platform/rtl/
// TypInfo.h). TKitWriter walks an object with the JSON writer, TKitReader
// reads JSON into an existing object or into new objects it creates by class
// name, and TKitPersistence is the front end with the type tests both sides
// use.
//
// The document: one root value. An ordinary object is a JSON object whose
// first member (when TypeKeyName is not empty) is the type key with the class
// name, followed by one member per published property, sorted by name.
// Colours are "#RRGGBB" ("gcNull" for -1), pictures hexadecimal text of their
// stream bytes, collections, lists and string lists arrays. Generic lists
// (platform/rtl/GenericsCollections.h) are arrays of texts, integers, numbers
// or objects by the kind of item they hold, generic dictionaries arrays of
// one-member objects {"key": object}; a container is changed only once its
// whole array has been read.
//
// The persistence-wide settings below are shared by every reader and writer
// and are meant for the user-interface thread only.

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "foundation/KitTypes.h"
#include "foundation/KitJSONReader.h"
#include "foundation/KitJSONWriter.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/System.h"
#include "platform/rtl/TypInfo.h"

class TCollectionItem;
class TStrings;
namespace Generics::Collections {
class IGenericList;
class IGenericDictionary;
}  // namespace Generics::Collections

TF_DECLARE_EXCEPTION(EKitReaderException, Exception)

using TKitExcludePropertyListArray = QStringList;
// Objects handed to TKitWriter::WriteArray (not owned).
using TKitObjectArray = QList<TObject*>;
// Objects made by TKitReader::ReadArray (owned by the caller).
using TKitOwnedObjectArray = std::vector<std::unique_ptr<TObject>>;

// Called for every property before it is written or read. Setting ACanWrite
// (ACanRead) to false leaves the member to the handler, which then writes it
// (or consumes its value) itself.
using TKitWriterCustomWritePropertyEvent =
    std::function<void(TObject* AObject, const QString& APropertyName, TTypeKind APropertyKind,
                       TKitJSONWriter* AWriter, bool& ACanWrite)>;
using TKitReaderCustomReadPropertyEvent =
    std::function<void(TObject* AObject, const QString& APropertyName, TTypeKind APropertyKind,
                       TKitJSONReader* AReader, bool& ACanRead)>;
// Overrules whether a class property is saved as a reference (component name).
using TKitWriterCustomIsAssignablePropertyEvent =
    std::function<void(TObject* AObject, const QString& APropertyName, bool& AIsAssignable)>;

// ---------------------------------------------------------------------------
// Interfaces an object or a reference object may implement (found with
// dynamic_cast).

// An object that saves and loads its own settings and decides which of its
// properties take part.
class IKitPersistence {
 public:
  static constexpr const char* IID = "{363F04AF-B8A7-4C47-A2D6-8ED9C44CEFF6}";
  virtual ~IKitPersistence() = default;
  virtual void SaveSettingsToFile(const QString& AFileName, bool AAppearanceOnly = false) = 0;
  virtual void LoadSettingsFromFile(const QString& AFileName) = 0;
  virtual void SaveSettingsToStream(TStream* AStream, bool AAppearanceOnly = false) = 0;
  virtual void LoadSettingsFromStream(TStream* AStream) = 0;
  virtual bool CanSaveProperty(TObject* AObject, const QString& APropertyName, TTypeKind APropertyKind) = 0;
  virtual bool CanLoadProperty(TObject* AObject, const QString& APropertyName, TTypeKind APropertyKind) = 0;
};

// Makes the objects the reader needs; the caller owns the answer.
class IKitObjectCreator {
 public:
  static constexpr const char* IID = "{91DEAFC3-8932-45F4-A3ED-5AAA0C0E9250}";
  virtual ~IKitObjectCreator() = default;
  virtual std::unique_ptr<TObject> NewObject(const QString& AClassName, const TClassInfo* BaseClass) = 0;
};

// Objects of some classes are saved as reference texts and resolved after
// reading.
class IKitReferenceIO {
 public:
  static constexpr const char* IID = "{11B625F8-447A-4AE5-BB88-5ECDEA979AF7}";
  virtual ~IKitReferenceIO() = default;
  virtual std::unique_ptr<TObject> NewObject(const QString& AClassName, const TClassInfo* BaseClass) = 0;
  virtual bool IsReferenceClass(const TClassInfo* AClass) = 0;
  virtual QString ReferenceOf(TObject* AObject) = 0;
  // The object the reference names (not owned), or null.
  virtual TObject* ResolveReference(const QString& AId) = 0;
  virtual void ItemAdded(TObject* AItem, TObject* AList) = 0;
};

// A list or collection naming the class of its items.
class IKitListItemClass {
 public:
  static constexpr const char* IID = "{FAB1D21E-D798-4CE0-B17B-9D75E4456AB4}";
  virtual ~IKitListItemClass() = default;
  virtual const TClassInfo* ItemClass() = 0;
};

// A collection that makes its own items from a loaded object.
class IKitCollectionItemCreator {
 public:
  static constexpr const char* IID = "{90FDF257-7362-411D-B7F6-E2BEE2265016}";
  virtual ~IKitCollectionItemCreator() = default;
  virtual TCollectionItem* AddItem(TObject* ASource) = 0;
};

// ---------------------------------------------------------------------------
// Persistence-wide settings

// "$type" from start-up; empty turns the type member off both ways.
extern QString TypeKeyName;
extern TObject* IOReference;
extern TObject* RootObject;
extern TKitExcludePropertyListArray ExcludeProperties;
extern TKitWriterCustomWritePropertyEvent OnCustomWriteProperty;
extern TKitReaderCustomReadPropertyEvent OnCustomReadProperty;

// The properties the custom controls leave out of their own settings.
const TKitExcludePropertyListArray& DefaultExcludedProperties();

// ---------------------------------------------------------------------------
// Writer

class TKitWriter : public TObject {
 public:
  TF_KIT_JSON_OPERATIONS
  explicit TKitWriter(TStream* AStream);
  TKitWriter(const TKitWriter&) = delete;
  TKitWriter& operator=(const TKitWriter&) = delete;
  // Frees the JSON writer, which delivers the text to the stream.
  ~TKitWriter() override;

  // The object (or null) by the value rules: the whole document.
  void Write(TObject* AObject);
  // {AName: [objects...]}, each with type member and properties.
  void WriteArray(const QString& AName, const TKitObjectArray& AArray);

  TKitJSONWriter* JSONWriter() const { return FWriter.get(); }
  TObject* IOReference() const { return FIOReference; }
  void SetIOReference(TObject* Value);
  TObject* RootObject() const { return FRootObject; }
  void SetRootObject(TObject* Value);
  // The property filter of the object being saved or loaded; it also decides
  // for the objects reached from it that have no filter of their own.
  IKitPersistence* Filter = nullptr;
  const TKitExcludePropertyListArray& ExcludeProperties() const { return FExcludeProperties; }
  void SetExcludeProperties(const TKitExcludePropertyListArray& Value);

  TKitWriterCustomWritePropertyEvent OnCustomWriteProperty;
  TKitWriterCustomIsAssignablePropertyEvent OnCustomIsAssignableProperty;

 private:
  void WriteValue(TObject* AObject);
  void WriteGenericList(Generics::Collections::IGenericList* AList);
  void WriteObject(TObject* AObject);
  void WriteProperties(TObject* AObject);
  void WriteProperty(TObject* AObject, const TPropInfo* AProp);
  bool IsAssignable(TObject* AObject, const TPropInfo* AProp);

  std::unique_ptr<TKitJSONWriter> FWriter;
  TObject* FIOReference = nullptr;
  TObject* FRootObject = nullptr;
  TKitExcludePropertyListArray FExcludeProperties;
  int FDepth = 0;
};

// ---------------------------------------------------------------------------
// Reader

class TKitReader : public TObject {
 public:
  TF_KIT_JSON_OPERATIONS
  // A property waiting for its reference to be resolved.
  class TKitObjectReference : public TObject {
   public:
    TKitObjectReference(TObject* AInstance, const QString& AId, const TPropInfo* AProp)
        : Instance(AInstance), Prop(AProp), Id(AId) {}
    TObject* Instance;
    const TPropInfo* Prop;
    QString Id;
  };

  explicit TKitReader(TStream* AStream);
  TKitReader(const TKitReader&) = delete;
  TKitReader& operator=(const TKitReader&) = delete;
  ~TKitReader() override;

  // A new object of the class the document names (AClass when it names
  // none, or when the type member is off); the caller owns it.
  std::unique_ptr<TObject> Read(const TClassInfo* AClass);
  // Into an existing object.
  void Read(TObject* AObject);
  // The array of objects held by member AName of the current object; other
  // members are skipped. The object's closing bracket stays unconsumed.
  TKitOwnedObjectArray ReadArray(const QString& AName);
  // Sets every pending reference through IOReference's ResolveReference.
  void SolveReferences();

  TKitJSONReader* JSONReader() const { return FReader.get(); }
  TObject* IOReference() const { return FIOReference; }
  void SetIOReference(TObject* Value);
  TObject* RootObject() const { return FRootObject; }
  void SetRootObject(TObject* Value);
  // The property filter of the object being saved or loaded; it also decides
  // for the objects reached from it that have no filter of their own.
  IKitPersistence* Filter = nullptr;
  const TKitExcludePropertyListArray& ExcludeProperties() const { return FExcludeProperties; }
  void SetExcludeProperties(const TKitExcludePropertyListArray& Value);

  TKitReaderCustomReadPropertyEvent OnCustomReadProperty;
  TKitWriterCustomIsAssignablePropertyEvent OnCustomIsAssignableProperty;

 private:
  void ReadInto(TObject* AObject);
  void ReadMembers(TObject* AObject);
  void ReadGenericList(Generics::Collections::IGenericList* AList, TObject* AObject);
  void ReadGenericDictionary(Generics::Collections::IGenericDictionary* ADictionary, TObject* AObject);
  void ReadProperty(TObject* AObject, const TPropInfo* AProp);
  void ReadClassProperty(TObject* AObject, const TPropInfo* AProp);
  const TClassInfo* ItemClassOf(TObject* AContainer) const;
  std::unique_ptr<TObject> NewObject(const QString& AClassName, const TClassInfo* AClass);
  bool IsAssignable(TObject* AObject, const TPropInfo* AProp);

  std::vector<std::unique_ptr<TKitObjectReference>> FReferences;
  std::unique_ptr<TKitJSONReader> FReader;
  TObject* FIOReference = nullptr;
  TObject* FRootObject = nullptr;
  TKitExcludePropertyListArray FExcludeProperties;
};

// ---------------------------------------------------------------------------
// Front end

class TKitPersistence : public TObject {
 public:
  TF_KIT_JSON_OPERATIONS
  // The object's JSON at the stream's position.
  static void SaveSettingsToStream(TObject* AObject, TStream* AStream);
  // The stream rewound and read into the object.
  static void LoadSettingsFromStream(TObject* AObject, TStream* AStream);
  static void SaveSettingsToFile(TObject* AObject, const QString& AFileName);
  static void LoadSettingsFromFile(TObject* AObject, const QString& AFileName);

  // A new object of the registered class AClassName, which must descend
  // from BaseClass when that is given. EKitReaderException otherwise.
  static std::unique_ptr<TObject> CreateObject(const QString& AClassName, const TClassInfo* BaseClass);

  static QString GetPropInfoTypeName(const TPropInfo* APropInfo);
  static const TTypeInfo* GetPropInfoDataTypeInfo(const TPropInfo* APropInfo);
  static const TClassInfo* GetPropInfoDataTypeInfoClassType(const TPropInfo* APropInfo);
  static QString GetEnumName(const TTypeInfo* ATypeInfo, int AValue);
  static void GetEnumValues(TStrings* AValues, const TPropInfo* APropInfo);

  // The class-virtual type tests. They are virtual members called on a
  // class object: Class() for TKitPersistence itself, or an object of a
  // descendant that overrides some of them. The tests call each other
  // through the object they were called on, so a descendant overriding
  // IsDescendingClass, say, changes IsList, IsBitmap and the others built
  // on it when they are asked through the descendant. The writer and reader
  // ask Class().
  static const TKitPersistence& Class();
  virtual TTypeKind GetPropInfoType(const TPropInfo* APropInfo) const;
  virtual QString GetPropInfoName(const TPropInfo* APropInfo) const;
  virtual bool IsWriteOnly(const TPropInfo* APropInfo) const;
  virtual bool IsReadOnly(const TPropInfo* APropInfo) const;
  virtual bool IsAssignableProperty(TObject* AObject, const TPropInfo* APropInfo) const;
  virtual bool IsColor(const QString& ATypeName) const;
  virtual bool IsStrokeKind(const QString& ATypeName) const;
  virtual bool IsFillKind(const QString& ATypeName) const;
  virtual bool IsDate(const QString& ATypeName) const;
  virtual bool IsDateTime(const QString& ATypeName) const;
  virtual bool IsTime(const QString& ATypeName) const;
  virtual bool IsGenericList(const TClassInfo* AClass, const QString& AType = QString()) const;
  virtual bool IsGenericDictionary(const TClassInfo* AClass) const;
  virtual bool IsCollection(const TClassInfo* AClass) const;
  virtual bool IsComponent(const TClassInfo* AClass) const;
  virtual bool IsControl(const TClassInfo* AClass) const;
  virtual bool IsList(const TClassInfo* AClass) const;
  virtual bool IsDescendingClass(const TClassInfo* AClass, const QStringList& AClassParentList) const;
  virtual bool IsBitmap(const TClassInfo* AClass) const;
  virtual bool IsStrings(const TClassInfo* AClass) const;
};

// Saves the process-wide decimal and thousand separators, sets them to "."
// and "," and puts the saved ones back when it goes out of scope.
class TKitInvariantSeparators {
 public:
  TKitInvariantSeparators();
  ~TKitInvariantSeparators();
  TKitInvariantSeparators(const TKitInvariantSeparators&) = delete;
  TKitInvariantSeparators& operator=(const TKitInvariantSeparators&) = delete;

 private:
  QChar FDecimal;
  QChar FThousand;
};

// Installs the undo manager's snapshot routines (done at start-up).
void KitPersistenceStartUp();
