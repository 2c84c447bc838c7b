#pragma once
// Published-property reflection: the run-time type information of classes,
// read by object persistence, component streaming and settings files.
//
// How a class publishes its properties
// ------------------------------------
// 1. In the class body, in a public section:
//
//        class TShape : public TObject {
//         public:
//          TF_DECLARE_PUBLISHED(TShape)
//          ...
//        };
//
// 2. Once, in the class's .cpp, the table. The parent named is the nearest
//    published ancestor (TObject at the root); the table lists only the
//    class's own properties, the parent's come first automatically:
//
//        TF_PUBLISHED(TShape, TObject) {
//          return TPublished<TShape>()
//              .Integer("Width", &TShape::Width, &TShape::SetWidth).Default(0)
//              .Color("Color", &TShape::Color, &TShape::SetColor)
//              .Enum("Fill", &TShape::Fill, &TShape::SetFill).Default(sfSolid)
//              .Set("Style", &TShape::Style, &TShape::SetStyle).TypeName("TShapeStyles")
//              .Boolean("Visible", &TShape::Visible, &TShape::SetVisible).Default(true)
//              .Object("Font", &TShape::Font, &TShape::SetFont)
//              .Integer("Id", &TShape::Id)                  // read-only: no setter
//              .Event("OnChange", &TShape::OnChange)        // std::function member
//              .Method("ShapeChanged", &TShape::ShapeChanged);
//        }
//
//    A getter is a const member function, a data member or a callable taking
//    `const T&`; a setter is a member function, a data member, a callable
//    taking `(T&, value)`, or nullptr for a read-only property. Modifiers
//    (Default, NoDefault, Stored, TypeName) apply to the property just added.
//    The table function is a static member of the class, so it may name
//    private and protected accessors.
//
// 3. An enumeration used by a property names its values once, right after its
//    declaration and in the same namespace; the values must run 0, 1, 2...:
//
//        enum TFillKind { fkNone, fkSolid, fkGradient };
//        TF_ENUM_NAMES(TFillKind, fkNone, fkSolid, fkGradient)
//
// Registration. A table is built on first use (a function-local static, so
// the order of static initialisation does not matter) and every .cpp holding
// a table builds and registers its class by name at start-up. The linker
// drops object files of a static library that nobody references, so a program
// that creates a class only by name lists it once at start:
//
//        RegisterClasses({ClassInfo<TShape>(), ClassInfo<TCircle>()});
//
// which references the table and so links it in.
//
// Classes with an owner. A class family whose constructor takes an owner
// (components) declares once, next to the root class of the family, the
// owner's class as the result and the family's root as the parameter:
//
//        TComponent* TypInfoOwnerClass(TComponent*);   // declaration only
//
// and every published descendant is then created by name through T(AOwner)
// (see TClassInfo::Create and CreateOwned). Other classes are created through
// their default constructor.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <any>
#include <array>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <type_traits>
#include <typeinfo>
#include <variant>
#include <vector>

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/System.h"

Q_DECLARE_METATYPE(TObject*)

// ---------------------------------------------------------------------------
// Type kinds and type information

enum TTypeKind {
  tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet, tkClass,
  tkMethod, tkWChar, tkLString, tkWString, tkVariant, tkArray, tkRecord, tkInterface,
  tkInt64, tkDynArray, tkUString, tkClassRef, tkPointer, tkProcedure, tkMRecord
};
using TTypeKinds = TSet<TTypeKind>;
inline constexpr TTypeKinds tkAny = TTypeKinds::FromBits((uint64_t{1} << (tkMRecord + 1)) - 1);
inline constexpr TTypeKinds tkMethods{tkMethod};
inline constexpr TTypeKinds tkProperties = tkAny - tkMethods;

enum TOrdType { otSByte, otUByte, otSWord, otUWord, otSLong, otULong };
enum TFloatType { ftSingle, ftDouble, ftExtended, ftComp, ftCurr };

class TClassInfo;
class TPropInfo;
class TMethodInfo;
template <class T>
class TPublished;

// The description of one type: its kind and name ("Integer", "TColor",
// "TFillKind", "TFont"...) and what the kind needs (ordinal range, value
// names, element type, class). Immutable once built.
class TTypeInfo {
 public:
  struct TData {
    TTypeKind Kind = tkUnknown;
    QString Name;
    TOrdType OrdType = otSLong;        // ordinal kinds
    Int64 MinValue = 0;                // ordinal kinds
    Int64 MaxValue = 0;
    QStringList EnumNames;             // enumerations, in ordinal order
    const TTypeInfo* BaseType = nullptr;  // enumerations: nullptr means itself
    const TTypeInfo* CompType = nullptr;  // sets: the element enumeration
    TFloatType FloatType = ftDouble;   // floats
    const TClassInfo* ClassType = nullptr;  // classes
    const std::type_info* Signature = nullptr;  // methods: the handler's signature
  };

  explicit TTypeInfo(TData data) : FData(std::move(data)) {}
  // The same type under another name (a property typed TImageIndex, say).
  TTypeInfo(const TTypeInfo& other, const QString& name);

  TTypeKind Kind() const { return FData.Kind; }
  const QString& Name() const { return FData.Name; }
  TOrdType OrdType() const { return FData.OrdType; }
  Int64 MinValue() const { return FData.MinValue; }
  Int64 MaxValue() const { return FData.MaxValue; }
  const QStringList& EnumNames() const { return FData.EnumNames; }
  const TTypeInfo* BaseType() const { return FData.BaseType ? FData.BaseType : this; }
  const TTypeInfo* CompType() const { return FData.CompType; }
  TFloatType FloatType() const { return FData.FloatType; }
  const TClassInfo* ClassType() const { return FData.ClassType; }
  const std::type_info* Signature() const { return FData.Signature; }

 private:
  TData FData;
};

// ---------------------------------------------------------------------------
// Methods and events

// The value of a method (event) property. Code names the published method
// the handler was bound from, Data the object it was bound to; both are null
// for a handler made any other way (a lambda). Handler holds the
// std::function itself (empty when the event is unassigned).
struct TMethod {
  const TMethodInfo* Code = nullptr;
  TObject* Data = nullptr;
  std::any Handler;

  bool Assigned() const { return Code != nullptr || Handler.has_value(); }
};

// A published method of a class: found by name (MethodAddress) and bound to
// an instance to become an event handler.
class TMethodInfo {
 public:
  const QString& Name() const { return FName; }
  const TClassInfo* ClassType() const { return FClass; }
  // The signature, as typeid(R(Args...)).
  const std::type_info& Signature() const { return *FSignature; }
  // A handler calling this method on Instance: std::function<R(Args...)> in a
  // std::any. Raises EPropertyError when Instance is not of the class.
  std::any Bind(TObject* Instance) const;

 private:
  template <class T>
  friend class TPublished;
  friend class TClassInfo;
  friend struct TClassBuilder;
  TMethodInfo() = default;

  QString FName;
  const TClassInfo* FClass = nullptr;
  const std::type_info* FSignature = nullptr;
  std::function<std::any(const TMethodInfo*, TObject*)> FBinder;
};

namespace TypInfoDetail {
// The callable stored in an event bound from a published method, so that
// the method and object can be read back from the event.
template <class Sig>
struct TMethodClosure;
template <class R, class... A>
struct TMethodClosure<R(A...)> {
  const TMethodInfo* Code;
  TObject* Data;
  std::function<R(A...)> Call;
  R operator()(A... args) const { return Call(std::forward<A>(args)...); }
};
}  // namespace TypInfoDetail

// ---------------------------------------------------------------------------
// Properties

// One published property: its name, type, accessors and streaming rules.
// The typed accessors raise EPropertyError when the instance is not of the
// property's class, when the property's kind does not fit the accessor,
// when a value is set on a read-only property or read from a write-only one,
// and ERangeError when an ordinal value lies outside its type.
class TPropInfo {
 public:
  const QString& Name() const { return FName; }
  TTypeKind Kind() const { return FKind; }
  const TTypeInfo* PropType() const;
  QString TypeName() const { return PropType()->Name(); }
  // Position in the class's property list (parents' properties first).
  int NameIndex() const { return FNameIndex; }
  bool HasGetter() const;
  bool HasSetter() const;
  // The default of an ordinal or set property; HasDefault() is false for a
  // property declared without one ("nodefault").
  bool HasDefault() const { return FDefault.has_value(); }
  Int64 Default() const { return FDefault.value_or(0); }
  // The stored rule evaluated on Instance (always, never, or a predicate).
  bool IsStored(const TObject* Instance) const;
  // True when the stored rule is a predicate: for a float property the
  // predicate then stands for the default (see the component writer).
  bool HasStoredPredicate() const { return static_cast<bool>(FStoredWhen); }

  // Ordinal kinds (integers, characters, enumerations, sets as bit masks, Int64).
  Int64 GetOrd(const TObject* Instance) const;
  void SetOrd(TObject* Instance, Int64 Value) const;
  // Floats (Single, Double, TDateTime...).
  double GetFloat(const TObject* Instance) const;
  void SetFloat(TObject* Instance, double Value) const;
  // Strings.
  QString GetStr(const TObject* Instance) const;
  void SetStr(TObject* Instance, const QString& Value) const;
  // Classes: the object (or null). A value not of the property's class
  // raises EPropertyError "Invalid property value".
  TObject* GetObject(const TObject* Instance) const;
  void SetObject(TObject* Instance, TObject* Value) const;
  // Methods (events).
  TMethod GetMethod(const TObject* Instance) const;
  void SetMethod(TObject* Instance, const TMethod& Value) const;
  // Variants.
  QVariant GetVariant(const TObject* Instance) const;
  void SetVariant(TObject* Instance, const QVariant& Value) const;

 private:
  template <class T>
  friend class TPublished;
  friend struct TClassBuilder;
  TPropInfo() = default;

  template <class V>
  struct TAccessor {
    std::function<V(const TObject&)> Get;
    std::function<void(TObject&, V)> Set;
  };
  using TAccess = std::variant<TAccessor<Int64>, TAccessor<double>, TAccessor<QString>,
                               TAccessor<TObject*>, TAccessor<TMethod>, TAccessor<QVariant>>;

  void CheckInstance(const TObject* Instance) const;
  template <class V>
  const TAccessor<V>& Access(const TObject* Instance, bool forWrite) const;
  void CheckOrdinalRange(Int64 Value) const;

  QString FName;
  TTypeKind FKind = tkUnknown;
  const TTypeInfo* FType = nullptr;                 // shared type information
  const TTypeInfo* (*FLazyType)() = nullptr;        // class types, resolved on use
  std::unique_ptr<const TTypeInfo> FOwnType;        // a renamed type
  QString FStaticTypeName;                          // for messages while building
  int FNameIndex = -1;
  bool (*FIsInstance)(const TObject*) = nullptr;
  TAccess FAccess;
  std::optional<Int64> FDefault;
  bool FStored = true;
  std::function<bool(const TObject&)> FStoredWhen;
};

using TPropList = std::vector<const TPropInfo*>;

// ---------------------------------------------------------------------------
// Classes

// A published class: name, parent, properties, published methods and the
// factory that creates it by name.
class TClassInfo {
 public:
  using TFactory = TObject* (*)(TObject* AOwner);

  const QString& ClassName() const { return FName; }
  const TClassInfo* ClassParent() const { return FParent; }
  // True when this class is Ancestor or descends from it.
  bool InheritsFrom(const TClassInfo* Ancestor) const;
  // True when Instance is of this class or of a descendant (whether or not
  // the descendant is published).
  bool IsInstance(const TObject* Instance) const;
  const TTypeInfo* TypeInfo() const { return FTypeInfo.get(); }
  const std::type_info& TypeId() const { return *FTypeId; }

  // Every published property, the parents' first, in declaration order; a
  // property redeclared by a descendant keeps the parent's position.
  const TPropList& PropList() const { return FProps; }
  int PropCount() const { return static_cast<int>(FProps.size()); }
  // Range-checked: EListError "List index out of bounds (%d)".
  const TPropInfo* Props(int Index) const;
  // Case-insensitive lookup; nullptr when absent.
  const TPropInfo* FindProp(const QString& Name) const;

  // The published method of that name (case-insensitive), searched from
  // this class up to the root; nullptr when absent.
  const TMethodInfo* MethodAddress(const QString& Name) const;
  // The name of Code when it is a published method of this class or an
  // ancestor; empty otherwise.
  QString MethodName(const TMethodInfo* Code) const;

  // Creation by name. CanCreate is false for abstract classes and classes
  // without a usable constructor; TakesOwner is true for classes created
  // through T(AOwner).
  bool CanCreate() const { return FFactory != nullptr; }
  bool TakesOwner() const { return FTakesOwner; }
  // A new instance without owner, owned by the caller; its
  // AfterConstruction has run.
  std::unique_ptr<TObject> Create() const;
  // A new instance owned by AOwner (not null, of the owner class of the
  // family), after its AfterConstruction; the pointer is not the caller's to
  // delete.
  TObject* CreateOwned(TObject* AOwner) const;

 private:
  friend struct TClassBuilder;
  TClassInfo() = default;

  QString FName;
  const TClassInfo* FParent = nullptr;
  const std::type_info* FTypeId = nullptr;
  bool (*FIsInstance)(const TObject*) = nullptr;
  TFactory FFactory = nullptr;
  bool FTakesOwner = false;
  std::unique_ptr<TTypeInfo> FTypeInfo;
  std::vector<std::unique_ptr<TPropInfo>> FOwnProps;
  std::vector<std::unique_ptr<TMethodInfo>> FOwnMethods;
  TPropList FProps;
};

// Fallback of the owner hook described at the top: a class outside any
// owner family has no owner type.
void TypInfoOwnerClass(const volatile void*);

namespace TypInfoDetail {
template <class>
inline constexpr bool kAlwaysFalse = false;

struct TClassSetup {
  const char* Name;
  const TClassInfo* Parent;
  const std::type_info* TypeId;
  bool (*IsInstance)(const TObject*);
  TClassInfo::TFactory Factory;
  bool TakesOwner;
};
// Builds a class from its setup and table and registers it (by type, and by
// name when the name is free).
const TClassInfo* BuildClass(const TClassSetup& setup, std::vector<std::unique_ptr<TPropInfo>> props,
                             std::vector<std::unique_ptr<TMethodInfo>> methods);
const TClassInfo* ObjectClassInfo();

template <class C>
constexpr std::pair<TClassInfo::TFactory, bool> FactoryOf() {
  using Owner = std::remove_pointer_t<decltype(TypInfoOwnerClass(static_cast<C*>(nullptr)))>;
  if constexpr (std::is_abstract_v<C>) {
    return {nullptr, false};
  } else if constexpr (!std::is_void_v<Owner> && std::is_constructible_v<C, Owner*>) {
    return {+[](TObject* AOwner) -> TObject* {
              Owner* owner = nullptr;
              if (AOwner) {
                owner = dynamic_cast<Owner*>(AOwner);
                if (!owner) return nullptr;
              }
              return new C(owner);  // owned by AOwner, or handed to a unique_ptr
            },
            true};
  } else if constexpr (std::is_default_constructible_v<C>) {
    return {+[](TObject*) -> TObject* { return new C(); }, false};  // handed to a unique_ptr
  } else {
    return {nullptr, false};
  }
}

template <class C, class P>
const TClassInfo* BuildClassInfo(const char* name, TPublished<C> (*table)());

// Built-in types.
enum TBuiltin {
  btShortInt, btSmallInt, btInteger, btByte, btWord, btCardinal, btInt64, btBoolean, btChar,
  btSingle, btDouble, btDateTime, btString, btVariant, btColor
};
const TTypeInfo* BuiltinType(TBuiltin type);
const TTypeInfo* MakeEnumType(const char* name, const char* valueNames, std::size_t count);
TTypeInfo* MakeSetType(const TTypeInfo* elementType);
TTypeInfo* MakeMethodType(const char* name, const std::type_info& signature);

template <class E, std::size_t N>
constexpr bool IsDenseEnum(const std::array<E, N>& values) {
  for (std::size_t i = 0; i < N; ++i)
    if (static_cast<std::size_t>(values[i]) != i) return false;
  return N > 0;
}

template <class T>
struct IsTSet : std::false_type {};
template <class E>
struct IsTSet<TSet<E>> : std::true_type {
  using Element = E;
};

template <class T>
struct IsFunction : std::false_type {};
template <class Sig>
struct IsFunction<std::function<Sig>> : std::true_type {
  using Signature = Sig;
};
}  // namespace TypInfoDetail

// The class information of a published class (or of TObject).
template <class T>
const TClassInfo* ClassInfo() {
  if constexpr (std::is_same_v<T, TObject>) {
    return TypInfoDetail::ObjectClassInfo();
  } else {
    static_assert(std::is_same_v<typename T::TFPublishedSelf, T>,
                  "the class has no published table of its own (TF_DECLARE_PUBLISHED)");
    return T::StaticClassInfo();
  }
}

// The type information of a C++ type used by properties: bool (Boolean),
// the integer widths (ShortInt, SmallInt, Integer, Byte, Word, Cardinal,
// Int64), float (Single), double (Double), QChar (Char), QString (string),
// QVariant (Variant), enumerations named with TF_ENUM_NAMES, TSet of them,
// std::function events and pointers to published classes.
template <class T>
const TTypeInfo* TypeInfoOf() {
  using namespace TypInfoDetail;
  using U = std::remove_cv_t<T>;
  if constexpr (std::is_same_v<U, bool>) return BuiltinType(btBoolean);
  else if constexpr (std::is_enum_v<U>) return TypInfoEnumType(static_cast<U*>(nullptr));
  else if constexpr (std::is_same_v<U, int8_t>) return BuiltinType(btShortInt);
  else if constexpr (std::is_same_v<U, int16_t>) return BuiltinType(btSmallInt);
  else if constexpr (std::is_same_v<U, int32_t>) return BuiltinType(btInteger);
  else if constexpr (std::is_same_v<U, uint8_t>) return BuiltinType(btByte);
  else if constexpr (std::is_same_v<U, uint16_t>) return BuiltinType(btWord);
  else if constexpr (std::is_same_v<U, uint32_t>) return BuiltinType(btCardinal);
  else if constexpr (std::is_same_v<U, int64_t>) return BuiltinType(btInt64);
  else if constexpr (std::is_same_v<U, float>) return BuiltinType(btSingle);
  else if constexpr (std::is_same_v<U, double>) return BuiltinType(btDouble);
  else if constexpr (std::is_same_v<U, QChar>) return BuiltinType(btChar);
  else if constexpr (std::is_same_v<U, QString>) return BuiltinType(btString);
  else if constexpr (std::is_same_v<U, QVariant>) return BuiltinType(btVariant);
  else if constexpr (IsTSet<U>::value) {
    static const TTypeInfo* const info = MakeSetType(TypeInfoOf<typename IsTSet<U>::Element>());
    return info;
  } else if constexpr (IsFunction<U>::value) {
    using Sig = typename IsFunction<U>::Signature;
    static const TTypeInfo* const info = MakeMethodType(
        std::is_same_v<Sig, void(TObject*)> ? "TNotifyEvent" : "TMethod", typeid(Sig));
    return info;
  } else if constexpr (std::is_pointer_v<U> &&
                       std::is_base_of_v<TObject, std::remove_cv_t<std::remove_pointer_t<U>>>) {
    return ClassInfo<std::remove_cv_t<std::remove_pointer_t<U>>>()->TypeInfo();
  } else {
    static_assert(kAlwaysFalse<T>, "no type information for this type");
  }
}

// ---------------------------------------------------------------------------
// Class registry

// The class of Instance's dynamic type, or nullptr when that class has no
// published table (or Instance is null).
const TClassInfo* ClassInfoOf(const TObject* Instance);
// Registers a class (and its ancestors) by name. Registering the same class
// again does nothing; another class of the same name raises EFilerError
// "A class named %s already exists".
void RegisterClass(const TClassInfo* AClass);
void RegisterClasses(std::initializer_list<const TClassInfo*> AClasses);
// Removes the class's name from the registry (its table stays usable).
void UnRegisterClass(const TClassInfo* AClass);
// Lookup by name, case-insensitive. FindClass raises EClassNotFound
// "Class %s not found"; GetClass answers nullptr.
const TClassInfo* FindClass(const QString& ClassName);
const TClassInfo* GetClass(const QString& ClassName);

// ---------------------------------------------------------------------------
// Property lookup

const TPropInfo* GetPropInfo(const TClassInfo* AClass, const QString& PropName);
const TPropInfo* GetPropInfo(const TObject* Instance, const QString& PropName);
// Declaration order (parents first).
TPropList GetPropList(const TClassInfo* AClass);
TPropList GetPropList(const TObject* Instance);
// The properties of the given kinds, sorted by name (case-insensitive) when
// SortList is true.
TPropList GetPropList(const TClassInfo* AClass, TTypeKinds TypeKinds, bool SortList = true);
void SortPropList(TPropList& PropList);
bool IsPublishedProp(const TClassInfo* AClass, const QString& PropName);
bool IsPublishedProp(const TObject* Instance, const QString& PropName);
// The kind of a property; both raise EPropertyError for an unknown one.
TTypeKind PropType(const TClassInfo* AClass, const QString& PropName);
TTypeKind PropType(const TObject* Instance, const QString& PropName);
bool PropIsType(const TClassInfo* AClass, const QString& PropName, TTypeKind TypeKind);
bool PropIsType(const TObject* Instance, const QString& PropName, TTypeKind TypeKind);

// ---------------------------------------------------------------------------
// Enumerations and sets

// The name of an enumeration value; empty when out of range or not an
// enumeration.
QString GetEnumName(const TTypeInfo* TypeInfo, int Value);
// The value of a name, compared case-insensitively; -1 when unknown.
int GetEnumValue(const TTypeInfo* TypeInfo, const QString& Name);
// Set (given as the set's type or a set property) to "a,b", or "[a,b]".
QString SetToString(const TTypeInfo* SetType, Int64 Value, bool Brackets = false);
QString SetToString(const TPropInfo* PropInfo, Int64 Value, bool Brackets = false);
// "[a, b]" (brackets optional, names case-insensitive) to the set's bit
// mask. An unknown name raises EPropertyError "Invalid property element: %s".
Int64 StringToSet(const TTypeInfo* SetType, const QString& Value);
Int64 StringToSet(const TPropInfo* PropInfo, const QString& Value);

// ---------------------------------------------------------------------------
// Typed access by property name or information. An unknown property raises
// EPropertyError "Property %s does not exist"; the other errors are those of
// TPropInfo's accessors.

Int64 GetOrdProp(const TObject* Instance, const TPropInfo* PropInfo);
Int64 GetOrdProp(const TObject* Instance, const QString& PropName);
void SetOrdProp(TObject* Instance, const TPropInfo* PropInfo, Int64 Value);
void SetOrdProp(TObject* Instance, const QString& PropName, Int64 Value);

QString GetEnumProp(const TObject* Instance, const TPropInfo* PropInfo);
QString GetEnumProp(const TObject* Instance, const QString& PropName);
// An unknown value name raises EPropertyError "Invalid property element: %s".
void SetEnumProp(TObject* Instance, const TPropInfo* PropInfo, const QString& Value);
void SetEnumProp(TObject* Instance, const QString& PropName, const QString& Value);

QString GetSetProp(const TObject* Instance, const TPropInfo* PropInfo, bool Brackets = false);
QString GetSetProp(const TObject* Instance, const QString& PropName, bool Brackets = false);
void SetSetProp(TObject* Instance, const TPropInfo* PropInfo, const QString& Value);
void SetSetProp(TObject* Instance, const QString& PropName, const QString& Value);

QString GetStrProp(const TObject* Instance, const TPropInfo* PropInfo);
QString GetStrProp(const TObject* Instance, const QString& PropName);
void SetStrProp(TObject* Instance, const TPropInfo* PropInfo, const QString& Value);
void SetStrProp(TObject* Instance, const QString& PropName, const QString& Value);

double GetFloatProp(const TObject* Instance, const TPropInfo* PropInfo);
double GetFloatProp(const TObject* Instance, const QString& PropName);
void SetFloatProp(TObject* Instance, const TPropInfo* PropInfo, double Value);
void SetFloatProp(TObject* Instance, const QString& PropName, double Value);

Int64 GetInt64Prop(const TObject* Instance, const TPropInfo* PropInfo);
Int64 GetInt64Prop(const TObject* Instance, const QString& PropName);
void SetInt64Prop(TObject* Instance, const TPropInfo* PropInfo, Int64 Value);
void SetInt64Prop(TObject* Instance, const QString& PropName, Int64 Value);

TObject* GetObjectProp(const TObject* Instance, const TPropInfo* PropInfo);
TObject* GetObjectProp(const TObject* Instance, const QString& PropName);
void SetObjectProp(TObject* Instance, const TPropInfo* PropInfo, TObject* Value);
void SetObjectProp(TObject* Instance, const QString& PropName, TObject* Value);

TMethod GetMethodProp(const TObject* Instance, const TPropInfo* PropInfo);
TMethod GetMethodProp(const TObject* Instance, const QString& PropName);
void SetMethodProp(TObject* Instance, const TPropInfo* PropInfo, const TMethod& Value);
void SetMethodProp(TObject* Instance, const QString& PropName, const TMethod& Value);

QVariant GetVariantProp(const TObject* Instance, const TPropInfo* PropInfo);
QVariant GetVariantProp(const TObject* Instance, const QString& PropName);
void SetVariantProp(TObject* Instance, const TPropInfo* PropInfo, const QVariant& Value);
void SetVariantProp(TObject* Instance, const QString& PropName, const QVariant& Value);

// Any property as a QVariant: ordinals as numbers, Booleans as bool,
// enumerations and sets as their names when PreferStrings is true, floats as
// double, strings, Int64, variants, objects as TObject*. Methods and other
// kinds raise EPropertyError "Invalid property type: %s".
QVariant GetPropValue(const TObject* Instance, const TPropInfo* PropInfo, bool PreferStrings = true);
QVariant GetPropValue(const TObject* Instance, const QString& PropName, bool PreferStrings = true);
// Sets any property from a QVariant, converting text: integers in decimal or
// hexadecimal ("$1F", "0x1F"), floats with "." as decimal separator, value
// names for enumerations and Booleans, "[a,b]" for sets. Text that is no
// valid number raises EConvertError.
void SetPropValue(TObject* Instance, const TPropInfo* PropInfo, const QVariant& Value);
void SetPropValue(TObject* Instance, const QString& PropName, const QVariant& Value);

// The stored rule of the property for Instance.
bool IsStoredProp(const TObject* Instance, const TPropInfo* PropInfo);
bool IsStoredProp(const TObject* Instance, const QString& PropName);
// True when streaming may leave the property out: ordinals and sets equal to
// their declared default (never for nodefault), Int64 equal to its default
// or 0, floats 0, strings empty, variants null, objects null, events
// unassigned. Properties without getter, and non-class properties without
// setter, count as default (streaming does not write them).
bool IsDefaultPropValue(const TObject* Instance, const TPropInfo* PropInfo);

// Published methods of Instance's class (see TClassInfo).
const TMethodInfo* MethodAddress(const TObject* Instance, const QString& Name);
QString MethodName(const TObject* Instance, const TMethodInfo* Code);

// ---------------------------------------------------------------------------
// Table builder

namespace TypInfoDetail {
[[noreturn]] void RaiseNoProperty();
[[noreturn]] void RaiseDuplicateProperty(const QString& name);
[[noreturn]] void RaiseInvalidPropertyType(const QString& typeName);
[[noreturn]] void RaiseInvalidValue();

template <class T, class G, class Fallback>
struct GetterValue {
  using type = std::remove_cvref_t<std::invoke_result_t<const G&, const T&>>;
};
template <class T, class Fallback>
struct GetterValue<T, std::nullptr_t, Fallback> {
  using type = Fallback;
};
template <class T, class G, class Fallback>
using GetterValueT = typename GetterValue<T, G, Fallback>::type;

template <class T, class S, class V>
void InvokeSetter(const S& setter, T& object, V value) {
  if constexpr (std::is_member_object_pointer_v<S>) object.*setter = std::move(value);
  else std::invoke(setter, object, std::move(value));
}

template <class V>
inline constexpr bool kIsSmallInteger =
    std::is_same_v<V, int8_t> || std::is_same_v<V, int16_t> || std::is_same_v<V, int32_t> ||
    std::is_same_v<V, uint8_t> || std::is_same_v<V, uint16_t> || std::is_same_v<V, uint32_t>;
}  // namespace TypInfoDetail

// The published table of class T, built by chaining one call per property
// (see the top of this file). Each property method takes the name, the
// getter and the setter (omitted or nullptr: read-only).
template <class T>
class TPublished {
  static_assert(std::is_base_of_v<TObject, T>, "published classes derive from TObject");

 public:
  TPublished() : FData(std::make_shared<TData>()) {}

  // Integer of 8, 16 or 32 bits (ShortInt, SmallInt, Integer, Byte, Word,
  // Cardinal, by the getter's type).
  template <class G, class S = std::nullptr_t>
  TPublished& Integer(const QString& Name, G Get, S Set = nullptr) {
    using V = TypInfoDetail::GetterValueT<T, G, int32_t>;
    static_assert(TypInfoDetail::kIsSmallInteger<V>, "Integer properties are 8-, 16- or 32-bit integers");
    return AddOrdinal<V>(Name, tkInteger, TypeInfoOf<V>(), Get, Set);
  }
  // A colour (TColor, an Integer kind).
  template <class G, class S = std::nullptr_t>
  TPublished& Color(const QString& Name, G Get, S Set = nullptr) {
    using V = TypInfoDetail::GetterValueT<T, G, int32_t>;
    static_assert(std::is_same_v<V, int32_t>, "colours are 32-bit integers");
    return AddOrdinal<V>(Name, tkInteger, TypInfoDetail::BuiltinType(TypInfoDetail::btColor), Get, Set);
  }
  template <class G, class S = std::nullptr_t>
  TPublished& Int64(const QString& Name, G Get, S Set = nullptr) {
    using V = TypInfoDetail::GetterValueT<T, G, int64_t>;
    static_assert(std::is_same_v<V, int64_t>, "Int64 properties are 64-bit integers");
    return AddOrdinal<V>(Name, tkInt64, TypeInfoOf<V>(), Get, Set);
  }
  // A character (Char, kind tkWChar).
  template <class G, class S = std::nullptr_t>
  TPublished& Char(const QString& Name, G Get, S Set = nullptr) {
    using V = TypInfoDetail::GetterValueT<T, G, QChar>;
    static_assert(std::is_same_v<V, QChar>, "Char properties are QChar");
    return AddOrdinal<V>(Name, tkWChar, TypeInfoOf<V>(), Get, Set);
  }
  // An enumeration named with TF_ENUM_NAMES; E is deduced from the getter.
  template <class E = void, class G, class S = std::nullptr_t>
  TPublished& Enum(const QString& Name, G Get, S Set = nullptr) {
    using V = TypInfoDetail::GetterValueT<T, G, E>;
    static_assert(std::is_enum_v<V> && (std::is_void_v<E> || std::is_same_v<E, V>),
                  "Enum properties read an enumeration");
    return AddOrdinal<V>(Name, tkEnumeration, TypeInfoOf<V>(), Get, Set);
  }
  // A Boolean (an enumeration of False, True).
  template <class G, class S = std::nullptr_t>
  TPublished& Boolean(const QString& Name, G Get, S Set = nullptr) {
    using V = TypInfoDetail::GetterValueT<T, G, bool>;
    static_assert(std::is_same_v<V, bool>, "Boolean properties are bool");
    return AddOrdinal<V>(Name, tkEnumeration, TypeInfoOf<V>(), Get, Set);
  }
  // A TSet<E> of an enumeration named with TF_ENUM_NAMES, as its bit mask.
  template <class E = void, class G, class S = std::nullptr_t>
  TPublished& Set(const QString& Name, G Get, S Set_ = nullptr) {
    using V = TypInfoDetail::GetterValueT<T, G, std::conditional_t<std::is_void_v<E>, void, TSet<E>>>;
    static_assert(TypInfoDetail::IsTSet<V>::value &&
                      (std::is_void_v<E> || std::is_same_v<V, TSet<E>>),
                  "Set properties read a TSet");
    return AddOrdinal<V>(Name, tkSet, TypeInfoOf<V>(), Get, Set_);
  }
  // Single (float) or Double (double) by the getter's type.
  template <class G, class S = std::nullptr_t>
  TPublished& Float(const QString& Name, G Get, S Set = nullptr) {
    using V = TypInfoDetail::GetterValueT<T, G, double>;
    static_assert(std::is_floating_point_v<V>, "Float properties are float or double");
    return AddFloat<V>(Name, TypeInfoOf<V>(), Get, Set);
  }
  // A TDateTime (a Float kind).
  template <class G, class S = std::nullptr_t>
  TPublished& DateTime(const QString& Name, G Get, S Set = nullptr) {
    using V = TypInfoDetail::GetterValueT<T, G, double>;
    static_assert(std::is_same_v<V, double>, "TDateTime properties are double");
    return AddFloat<V>(Name, TypInfoDetail::BuiltinType(TypInfoDetail::btDateTime), Get, Set);
  }
  template <class G, class S = std::nullptr_t>
  TPublished& String(const QString& Name, G Get, S Set = nullptr) {
    using V = TypInfoDetail::GetterValueT<T, G, QString>;
    static_assert(std::is_same_v<V, QString>, "String properties are QString");
    return Add<QString>(Name, tkUString, TypeInfoOf<V>(), Get, Set, [](const V& v) { return v; },
                        [](const QString& v) { return v; });
  }
  template <class G, class S = std::nullptr_t>
  TPublished& Variant(const QString& Name, G Get, S Set = nullptr) {
    using V = TypInfoDetail::GetterValueT<T, G, QVariant>;
    static_assert(std::is_same_v<V, QVariant>, "Variant properties are QVariant");
    return Add<QVariant>(Name, tkVariant, TypeInfoOf<V>(), Get, Set, [](const V& v) { return v; },
                         [](const QVariant& v) { return v; });
  }
  // An object of a published class C: the getter answers C*. Setting a
  // value that is not a C raises EPropertyError "Invalid property value".
  template <class G, class S = std::nullptr_t>
  TPublished& Object(const QString& Name, G Get, S Set = nullptr) {
    static_assert(!std::is_null_pointer_v<G>, "Object properties need a getter");
    using V = TypInfoDetail::GetterValueT<T, G, void>;
    using C = std::remove_pointer_t<V>;
    static_assert(std::is_pointer_v<V> && std::is_base_of_v<TObject, C> && !std::is_const_v<C>,
                  "Object properties read a pointer to a TObject descendant");
    auto& prop = Add<TObject*>(
        Name, tkClass, nullptr, Get, Set, [](V v) -> TObject* { return v; },
        [](TObject* v) -> V {
          if (!v) return nullptr;
          V typed = dynamic_cast<V>(v);
          if (!typed) TypInfoDetail::RaiseInvalidValue();
          return typed;
        });
    Last().FLazyType = [] { return ClassInfo<C>()->TypeInfo(); };
    Last().FStaticTypeName = DemangledTypeName(typeid(C).name());
    return prop;
  }
  // An event: a std::function member read and written directly, or a getter
  // and setter of a std::function.
  template <class M>
    requires std::is_member_object_pointer_v<M>
  TPublished& Event(const QString& Name, M Member) {
    return Event(Name, Member, Member);
  }
  template <class G, class S>
  TPublished& Event(const QString& Name, G Get, S Set) {
    using V = TypInfoDetail::GetterValueT<T, G, void>;
    static_assert(TypInfoDetail::IsFunction<V>::value, "Event properties are std::function");
    using Sig = typename TypInfoDetail::IsFunction<V>::Signature;
    using Closure = TypInfoDetail::TMethodClosure<Sig>;
    return Add<TMethod>(
        Name, tkMethod, TypeInfoOf<V>(), Get, Set,
        [](const V& handler) {
          TMethod method;
          if (!handler) return method;
          method.Handler = handler;
          if (const Closure* closure = handler.template target<Closure>()) {
            method.Code = closure->Code;
            method.Data = closure->Data;
          }
          return method;
        },
        [](const TMethod& method) -> V {
          if (method.Code) {
            if (method.Code->Signature() != typeid(Sig)) TypInfoDetail::RaiseInvalidValue();
            return std::any_cast<V>(method.Code->Bind(method.Data));
          }
          if (!method.Handler.has_value()) return V();
          const V* handler = std::any_cast<V>(&method.Handler);
          if (!handler) TypInfoDetail::RaiseInvalidValue();
          return *handler;
        });
  }
  // A published method, found by name and bound to events of the same
  // signature.
  template <class C, class R, class... A>
  TPublished& Method(const QString& Name, R (C::*Fn)(A...)) {
    return AddMethod<C, R, A...>(Name, Fn);
  }
  template <class C, class R, class... A>
  TPublished& Method(const QString& Name, R (C::*Fn)(A...) const) {
    return AddMethod<C, R, A...>(Name, Fn);
  }

  // Modifiers of the property just added.
  // Default of an ordinal, enumeration, Boolean or set property; any other
  // kind raises EPropertyError "Invalid property type: %s".
  template <class V>
  TPublished& Default(V Value) {
    ::Int64 value = 0;
    if constexpr (std::is_enum_v<V>) value = static_cast<::Int64>(Value);
    else if constexpr (TypInfoDetail::IsTSet<V>::value) value = static_cast<::Int64>(Value.Bits());
    else if constexpr (std::is_integral_v<V>) value = static_cast<::Int64>(Value);
    else static_assert(TypInfoDetail::kAlwaysFalse<V>, "defaults are ordinal, enumeration or set values");
    TPropInfo& prop = Last();
    if (!std::holds_alternative<TPropInfo::TAccessor<::Int64>>(prop.FAccess))
      TypInfoDetail::RaiseInvalidPropertyType(StaticTypeName(prop));
    prop.FDefault = value;
    return *this;
  }
  TPublished& NoDefault() {
    Last().FDefault.reset();
    return *this;
  }
  // Stored always (true), never (false), or when a predicate on the object
  // holds (a const member function or a callable taking const T&).
  TPublished& Stored(bool Value) {
    Last().FStored = Value;
    Last().FStoredWhen = nullptr;
    return *this;
  }
  template <class P>
    requires(!std::is_same_v<P, bool>)
  TPublished& Stored(P Predicate) {
    Last().FStored = true;
    Last().FStoredWhen = [Predicate](const TObject& o) {
      return static_cast<bool>(std::invoke(Predicate, static_cast<const T&>(o)));
    };
    return *this;
  }
  // The name of the property's type when it differs from the C++ type's
  // ("TImageIndex" for an Integer, "TFontStyles" for a set, "TDate" for a
  // Double, an event type's name). Not for class properties.
  TPublished& TypeName(const QString& Name) {
    TPropInfo& prop = Last();
    if (!prop.FType) TypInfoDetail::RaiseInvalidPropertyType(StaticTypeName(prop));
    prop.FOwnType = std::make_unique<TTypeInfo>(*prop.FType, Name);
    prop.FType = prop.FOwnType.get();
    return *this;
  }

 private:
  template <class C, class P>
  friend const TClassInfo* TypInfoDetail::BuildClassInfo(const char*, TPublished<C> (*)());

  struct TData {
    std::vector<std::unique_ptr<TPropInfo>> Props;
    std::vector<std::unique_ptr<TMethodInfo>> Methods;
  };

  static QString StaticTypeName(const TPropInfo& prop) {
    return prop.FType ? prop.FType->Name() : prop.FStaticTypeName;
  }

  TPropInfo& Last() {
    if (FData->Props.empty()) TypInfoDetail::RaiseNoProperty();
    return *FData->Props.back();
  }

  template <class V, class G, class S>
  TPublished& AddOrdinal(const QString& Name, TTypeKind Kind, const TTypeInfo* Type, G Get, S Set) {
    return Add<::Int64>(
        Name, Kind, Type, Get, Set,
        [](const V& v) -> ::Int64 {
          if constexpr (TypInfoDetail::IsTSet<V>::value) return static_cast<::Int64>(v.Bits());
          else if constexpr (std::is_same_v<V, QChar>) return v.unicode();
          else return static_cast<::Int64>(v);
        },
        [](::Int64 v) -> V {
          if constexpr (TypInfoDetail::IsTSet<V>::value) return V::FromBits(static_cast<uint64_t>(v));
          else if constexpr (std::is_same_v<V, QChar>) return QChar(static_cast<char16_t>(v));
          else return static_cast<V>(v);
        });
  }

  template <class V, class G, class S>
  TPublished& AddFloat(const QString& Name, const TTypeInfo* Type, G Get, S Set) {
    return Add<double>(Name, tkFloat, Type, Get, Set, [](V v) { return static_cast<double>(v); },
                       [](double v) { return static_cast<V>(v); });
  }

  // Adds a property stored as Stored (the accessor category) and converted
  // from and to the C++ value type by ToStored and FromStored.
  template <class Stored, class G, class S, class ToStored, class FromStored>
  TPublished& Add(const QString& Name, TTypeKind Kind, const TTypeInfo* Type, G Get, S Set,
                  ToStored toStored, FromStored fromStored) {
    for (const auto& p : FData->Props)
      if (p->FName.compare(Name, Qt::CaseInsensitive) == 0) TypInfoDetail::RaiseDuplicateProperty(Name);
    auto prop = std::unique_ptr<TPropInfo>(new TPropInfo());
    prop->FName = Name;
    prop->FKind = Kind;
    prop->FType = Type;
    prop->FIsInstance = [](const TObject* o) { return dynamic_cast<const T*>(o) != nullptr; };
    TPropInfo::TAccessor<Stored> access;
    if constexpr (!std::is_null_pointer_v<G>) {
      access.Get = [Get, toStored](const TObject& o) -> Stored {
        return toStored(std::invoke(Get, static_cast<const T&>(o)));
      };
    }
    if constexpr (!std::is_null_pointer_v<S>) {
      access.Set = [Set, fromStored](TObject& o, Stored v) {
        TypInfoDetail::InvokeSetter(Set, static_cast<T&>(o), fromStored(v));
      };
    }
    prop->FAccess = std::move(access);
    FData->Props.push_back(std::move(prop));
    return *this;
  }

  template <class C, class R, class... A, class F>
  TPublished& AddMethod(const QString& Name, F Fn) {
    static_assert(std::is_base_of_v<C, T>, "a published method belongs to the class or an ancestor");
    for (const auto& m : FData->Methods)
      if (m->FName.compare(Name, Qt::CaseInsensitive) == 0) TypInfoDetail::RaiseDuplicateProperty(Name);
    auto method = std::unique_ptr<TMethodInfo>(new TMethodInfo());
    method->FName = Name;
    method->FSignature = &typeid(R(A...));
    method->FBinder = [Fn](const TMethodInfo* code, TObject* instance) -> std::any {
      T* self = dynamic_cast<T*>(instance);
      if (!self) TypInfoDetail::RaiseInvalidValue();
      std::function<R(A...)> call = [self, Fn](A... args) -> R {
        return (self->*Fn)(std::forward<A>(args)...);
      };
      return std::function<R(A...)>(
          TypInfoDetail::TMethodClosure<R(A...)>{code, instance, std::move(call)});
    };
    FData->Methods.push_back(std::move(method));
    return *this;
  }

  std::shared_ptr<TData> FData;  // shared, so the chain can be returned by value
};

namespace TypInfoDetail {
template <class C, class P>
const TClassInfo* BuildClassInfo(const char* name, TPublished<C> (*table)()) {
  static_assert(std::is_base_of_v<P, C> && !std::is_same_v<P, C>, "the parent must be an ancestor");
  static_assert(std::is_same_v<typename C::TFPublishedSelf, C>,
                "the class has no TF_DECLARE_PUBLISHED of its own");
  const TClassInfo* parent = ClassInfo<P>();
  constexpr auto factory = FactoryOf<C>();
  TClassSetup setup{name,
                    parent,
                    &typeid(C),
                    [](const TObject* o) { return dynamic_cast<const C*>(o) != nullptr; },
                    factory.first,
                    factory.second};
  TPublished<C> published = table();
  return BuildClass(setup, std::move(published.FData->Props), std::move(published.FData->Methods));
}

inline bool RegisterAtStart(const TClassInfo* (*classInfo)()) { return classInfo() != nullptr; }
}  // namespace TypInfoDetail

#define TF_TYPINFO_CONCAT2(a, b) a##b
#define TF_TYPINFO_CONCAT(a, b) TF_TYPINFO_CONCAT2(a, b)

// In the class body, in a public section: declares the class's table.
#define TF_DECLARE_PUBLISHED(Class)              \
  using TFPublishedSelf = Class;                 \
  static const ::TClassInfo* StaticClassInfo();  \
  static ::TPublished<Class> PublishedTable();

// In the class's .cpp, followed by the table function's body.
#define TF_PUBLISHED(Class, Parent)                                                          \
  const ::TClassInfo* Class::StaticClassInfo() {                                             \
    static const ::TClassInfo* const info =                                                  \
        ::TypInfoDetail::BuildClassInfo<Class, Parent>(#Class, &Class::PublishedTable);      \
    return info;                                                                             \
  }                                                                                          \
  [[maybe_unused]] static const bool TF_TYPINFO_CONCAT(tfPublishedAtStart, __LINE__) =      \
      ::TypInfoDetail::RegisterAtStart(&Class::StaticClassInfo);                             \
  ::TPublished<Class> Class::PublishedTable()

// After an enumeration's declaration, in its namespace: its value names.
#define TF_ENUM_NAMES(Enum, ...)                                                             \
  [[maybe_unused]] inline const ::TTypeInfo* TypInfoEnumType(Enum*) {                        \
    static constexpr auto tfValues = [] {                                                    \
      using enum Enum;                                                                       \
      return std::array{__VA_ARGS__};                                                        \
    }();                                                                                     \
    static_assert(::TypInfoDetail::IsDenseEnum(tfValues), #Enum ": list every value in order from 0"); \
    static const ::TTypeInfo* const tfInfo =                                                 \
        ::TypInfoDetail::MakeEnumType(#Enum, #__VA_ARGS__, tfValues.size());                 \
    return tfInfo;                                                                           \
  }
