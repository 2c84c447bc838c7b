#include "platform/rtl/TypInfo.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>
#include <typeindex>
#include <unordered_map>

namespace {

// Substitutes the arguments for the %s and %d placeholders in order, in one
// pass (text of an argument is never substituted again).
QString Fmt(const char* pattern, std::initializer_list<QString> args) {
  const QString p = QString::fromLatin1(pattern);
  QString result;
  auto arg = args.begin();
  for (qsizetype i = 0; i < p.size(); ++i) {
    if (p[i] == u'%' && i + 1 < p.size() && (p[i + 1] == u's' || p[i + 1] == u'd')) {
      if (arg != args.end()) result += *arg++;
      ++i;
    } else {
      result += p[i];
    }
  }
  return result;
}

[[noreturn]] void RaiseUnknownProperty(const QString& name) {
  throw EPropertyError(Fmt(RtlConsts::SUnknownProperty, {name}));
}

[[noreturn]] void RaiseInvalidElement(const QString& name) {
  throw EPropertyError(Fmt(RtlConsts::SInvalidPropertyElement, {name}));
}

// "ns::TFoo" -> "TFoo"; the template arguments of "TList<ns::TFoo>" are kept.
QString StripQualification(const char* name) {
  QString s = QString::fromLatin1(name).trimmed();
  qsizetype angle = s.indexOf(u'<');
  qsizetype colons = s.lastIndexOf(QStringLiteral("::"), angle < 0 ? -1 : angle);
  if (colons >= 0 && (angle < 0 || colons < angle)) s = s.mid(colons + 2);
  return s;
}

// Everything registered lives until the process ends: the registry is never
// destroyed, so tables stay valid for code running during static
// destruction.
struct TClassRegistry {
  std::mutex Lock;
  std::vector<std::unique_ptr<TClassInfo>> Classes;
  std::vector<std::unique_ptr<TTypeInfo>> Types;
  std::unordered_map<std::type_index, const TClassInfo*> ByType;
  QHash<QString, const TClassInfo*> ByName;  // upper-cased names
};

TClassRegistry& Registry() {
  static TClassRegistry* const registry = new TClassRegistry();  // never destroyed
  return *registry;
}

TTypeInfo* KeepType(std::unique_ptr<TTypeInfo> type) {
  TClassRegistry& r = Registry();
  std::lock_guard<std::mutex> guard(r.Lock);
  r.Types.push_back(std::move(type));
  return r.Types.back().get();
}

QString NameKey(const QString& name) { return name.toUpper(); }

// Integers as text: optional sign, then decimal digits, or hexadecimal after
// "$" or "0x".
bool ParseInteger(const QString& text, Int64& value) {
  QString t = text.trimmed();
  bool negative = false;
  if (t.startsWith(u'-') || t.startsWith(u'+')) {
    negative = t[0] == u'-';
    t = t.mid(1);
  }
  int base = 10;
  if (t.startsWith(u'$')) {
    base = 16;
    t = t.mid(1);
  } else if (t.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive)) {
    base = 16;
    t = t.mid(2);
  }
  if (t.isEmpty()) return false;
  for (QChar c : t) {
    const bool digit = c.isDigit() && c.unicode() < 128;
    const bool hex = base == 16 && ((c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'));
    if (!digit && !hex) return false;
  }
  bool ok = false;
  const qulonglong magnitude = t.toULongLong(&ok, base);
  if (!ok) return false;
  constexpr qulonglong kMax = static_cast<qulonglong>(std::numeric_limits<Int64>::max());
  if (negative) {
    if (magnitude > kMax + 1) return false;
    value = magnitude == kMax + 1 ? std::numeric_limits<Int64>::min() : -static_cast<Int64>(magnitude);
  } else {
    if (magnitude > kMax) return false;
    value = static_cast<Int64>(magnitude);
  }
  return true;
}

Int64 VariantToInt64(const QVariant& value) {
  const int type = value.typeId();
  if (type == QMetaType::QString) {
    Int64 result = 0;
    if (!ParseInteger(value.toString(), result))
      throw EConvertError(Fmt(RtlConsts::SInvalidInteger, {value.toString()}));
    return result;
  }
  if (type == QMetaType::Bool) return value.toBool() ? 1 : 0;
  if (type == QMetaType::Double || type == QMetaType::Float) {
    const double d = value.toDouble();
    // Rounds half to even, as the run-time's conversions do.
    const double rounded = std::nearbyint(d);
    if (!std::isfinite(rounded) || rounded < -9223372036854775808.0 || rounded >= 9223372036854775808.0)
      throw ERangeError(RtlConsts::SRangeError);
    return static_cast<Int64>(rounded);
  }
  bool ok = false;
  const qlonglong result = value.toLongLong(&ok);
  if (!ok) throw EConvertError(Fmt(RtlConsts::SInvalidInteger, {value.toString()}));
  return result;
}

double VariantToDouble(const QVariant& value) {
  bool ok = false;
  double result = 0;
  if (value.typeId() == QMetaType::QString) result = value.toString().trimmed().toDouble(&ok);
  else result = value.toDouble(&ok);
  if (!ok) throw EConvertError(Fmt(RtlConsts::SInvalidFloat, {value.toString()}));
  return result;
}

QString VariantToText(const QVariant& value) {
  if (value.typeId() == QMetaType::Bool) return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
  return value.toString();
}

const TPropInfo* RequireProp(const TClassInfo* cls, const QString& name) {
  const TPropInfo* prop = GetPropInfo(cls, name);
  if (!prop) RaiseUnknownProperty(name);
  return prop;
}

const TPropInfo* RequireProp(const TObject* instance, const QString& name) {
  return RequireProp(ClassInfoOf(instance), name);
}

const TPropInfo* CheckProp(const TPropInfo* prop) {
  if (!prop) RaiseUnknownProperty(QString());
  return prop;
}

void CheckKind(const TPropInfo* prop, TTypeKind kind) {
  if (CheckProp(prop)->Kind() != kind) TypInfoDetail::RaiseInvalidPropertyType(prop->TypeName());
}

const TTypeInfo* SetElementType(const TTypeInfo* setType) {
  if (!setType || setType->Kind() != tkSet || !setType->CompType())
    TypInfoDetail::RaiseInvalidPropertyType(setType ? setType->Name() : QString());
  return setType->CompType();
}

}  // namespace

// ---------------------------------------------------------------------------
// Building classes

struct TClassBuilder {
  static const TClassInfo* Build(const TypInfoDetail::TClassSetup& setup,
                                 std::vector<std::unique_ptr<TPropInfo>> props,
                                 std::vector<std::unique_ptr<TMethodInfo>> methods, bool byName) {
    auto info = std::unique_ptr<TClassInfo>(new TClassInfo());
    info->FName = StripQualification(setup.Name);
    info->FParent = setup.Parent;
    info->FTypeId = setup.TypeId;
    info->FIsInstance = setup.IsInstance;
    info->FFactory = setup.Factory;
    info->FTakesOwner = setup.TakesOwner;
    TTypeInfo::TData data;
    data.Kind = tkClass;
    data.Name = info->FName;
    data.ClassType = info.get();
    info->FTypeInfo = std::make_unique<TTypeInfo>(std::move(data));

    if (setup.Parent) info->FProps = setup.Parent->FProps;
    for (auto& prop : props) {
      auto same = std::find_if(info->FProps.begin(), info->FProps.end(), [&](const TPropInfo* p) {
        return p->Name().compare(prop->FName, Qt::CaseInsensitive) == 0;
      });
      if (same != info->FProps.end()) {
        // A redeclared property takes its ancestor's place.
        prop->FNameIndex = static_cast<int>(same - info->FProps.begin());
        *same = prop.get();
      } else {
        prop->FNameIndex = static_cast<int>(info->FProps.size());
        info->FProps.push_back(prop.get());
      }
    }
    for (auto& method : methods) method->FClass = info.get();
    info->FOwnProps = std::move(props);
    info->FOwnMethods = std::move(methods);

    TClassRegistry& r = Registry();
    std::lock_guard<std::mutex> guard(r.Lock);
    const TClassInfo* result = info.get();
    r.ByType[std::type_index(*setup.TypeId)] = result;
    // A name already taken by another class stays with the first one; only
    // an explicit RegisterClass reports the clash.
    if (byName && !r.ByName.contains(NameKey(result->FName))) r.ByName.insert(NameKey(result->FName), result);
    r.Classes.push_back(std::move(info));
    return result;
  }
};

namespace TypInfoDetail {

const TClassInfo* BuildClass(const TClassSetup& setup, std::vector<std::unique_ptr<TPropInfo>> props,
                             std::vector<std::unique_ptr<TMethodInfo>> methods) {
  return TClassBuilder::Build(setup, std::move(props), std::move(methods), true);
}

const TClassInfo* ObjectClassInfo() {
  static const TClassInfo* const info = [] {
    constexpr auto factory = FactoryOf<TObject>();
    TClassSetup setup{"TObject", nullptr, &typeid(TObject), [](const TObject* o) { return o != nullptr; },
                      factory.first, factory.second};
    return TClassBuilder::Build(setup, {}, {}, false);
  }();
  return info;
}

void RaiseNoProperty() { throw EInvalidOperation(RtlConsts::SInvalidOperation); }

void RaiseDuplicateProperty(const QString& name) {
  throw EPropertyError(Fmt(RtlConsts::SDuplicateProperty, {name}));
}

void RaiseInvalidPropertyType(const QString& typeName) {
  throw EPropertyError(Fmt(RtlConsts::SInvalidPropertyType, {typeName}));
}

void RaiseInvalidValue() { throw EPropertyError(RtlConsts::SInvalidPropertyValue); }

const TTypeInfo* BuiltinType(TBuiltin type) {
  static const std::vector<TTypeInfo> types = [] {
    auto ord = [](TTypeKind kind, const char* name, TOrdType ordType, Int64 min, Int64 max) {
      TTypeInfo::TData d;
      d.Kind = kind;
      d.Name = QString::fromLatin1(name);
      d.OrdType = ordType;
      d.MinValue = min;
      d.MaxValue = max;
      return TTypeInfo(std::move(d));
    };
    auto simple = [](TTypeKind kind, const char* name, TFloatType floatType = ftDouble) {
      TTypeInfo::TData d;
      d.Kind = kind;
      d.Name = QString::fromLatin1(name);
      d.FloatType = floatType;
      return TTypeInfo(std::move(d));
    };
    TTypeInfo::TData boolean;
    boolean.Kind = tkEnumeration;
    boolean.Name = QStringLiteral("Boolean");
    boolean.OrdType = otUByte;
    boolean.MinValue = 0;
    boolean.MaxValue = 1;
    boolean.EnumNames = QStringList{QStringLiteral("False"), QStringLiteral("True")};
    std::vector<TTypeInfo> t;
    // In TBuiltin order.
    t.push_back(ord(tkInteger, "ShortInt", otSByte, -128, 127));
    t.push_back(ord(tkInteger, "SmallInt", otSWord, -32768, 32767));
    t.push_back(ord(tkInteger, "Integer", otSLong, std::numeric_limits<int32_t>::min(),
                    std::numeric_limits<int32_t>::max()));
    t.push_back(ord(tkInteger, "Byte", otUByte, 0, 255));
    t.push_back(ord(tkInteger, "Word", otUWord, 0, 65535));
    t.push_back(ord(tkInteger, "Cardinal", otULong, 0, std::numeric_limits<uint32_t>::max()));
    t.push_back(ord(tkInt64, "Int64", otSLong, std::numeric_limits<Int64>::min(),
                    std::numeric_limits<Int64>::max()));
    t.push_back(TTypeInfo(std::move(boolean)));
    t.push_back(ord(tkWChar, "Char", otUWord, 0, 65535));
    t.push_back(simple(tkFloat, "Single", ftSingle));
    t.push_back(simple(tkFloat, "Double", ftDouble));
    t.push_back(simple(tkFloat, "TDateTime", ftDouble));
    t.push_back(simple(tkUString, "string"));
    t.push_back(simple(tkVariant, "Variant"));
    t.push_back(ord(tkInteger, "TColor", otSLong, std::numeric_limits<int32_t>::min(),
                    std::numeric_limits<int32_t>::max()));
    return t;
  }();
  return &types.at(static_cast<std::size_t>(type));
}

const TTypeInfo* MakeEnumType(const char* name, const char* valueNames, std::size_t count) {
  TTypeInfo::TData d;
  d.Kind = tkEnumeration;
  d.Name = StripQualification(name);
  for (const QString& part : QString::fromLatin1(valueNames).split(u',')) {
    QString value = part.trimmed();
    if (value.isEmpty()) continue;
    const qsizetype colons = value.lastIndexOf(QStringLiteral("::"));
    if (colons >= 0) value = value.mid(colons + 2);
    d.EnumNames << value;
  }
  if (static_cast<std::size_t>(d.EnumNames.size()) != count) RaiseInvalidPropertyType(d.Name);
  d.OrdType = count <= 256 ? otUByte : count <= 65536 ? otUWord : otULong;
  d.MinValue = 0;
  d.MaxValue = static_cast<Int64>(count) - 1;
  return KeepType(std::make_unique<TTypeInfo>(std::move(d)));
}

TTypeInfo* MakeSetType(const TTypeInfo* elementType) {
  // A set holds at most 64 elements (the bits of its mask).
  if (elementType->EnumNames().size() > 64) RaiseInvalidPropertyType(elementType->Name());
  TTypeInfo::TData d;
  d.Kind = tkSet;
  d.Name = QStringLiteral("set of ") + elementType->Name();
  d.OrdType = otULong;
  d.CompType = elementType;
  return KeepType(std::make_unique<TTypeInfo>(std::move(d)));
}

TTypeInfo* MakeMethodType(const char* name, const std::type_info& signature) {
  TTypeInfo::TData d;
  d.Kind = tkMethod;
  d.Name = QString::fromLatin1(name);
  d.Signature = &signature;
  return KeepType(std::make_unique<TTypeInfo>(std::move(d)));
}

}  // namespace TypInfoDetail

// ---------------------------------------------------------------------------
// TTypeInfo, TMethodInfo

TTypeInfo::TTypeInfo(const TTypeInfo& other, const QString& name) : FData(other.FData) {
  FData.Name = name;
  if (other.Kind() == tkEnumeration) FData.BaseType = other.BaseType();
}

std::any TMethodInfo::Bind(TObject* Instance) const {
  if (!Instance) TypInfoDetail::RaiseInvalidValue();
  return FBinder(this, Instance);
}

// ---------------------------------------------------------------------------
// TPropInfo

const TTypeInfo* TPropInfo::PropType() const { return FLazyType ? FLazyType() : FType; }

bool TPropInfo::HasGetter() const {
  return std::visit([](const auto& a) { return static_cast<bool>(a.Get); }, FAccess);
}

bool TPropInfo::HasSetter() const {
  return std::visit([](const auto& a) { return static_cast<bool>(a.Set); }, FAccess);
}

void TPropInfo::CheckInstance(const TObject* Instance) const {
  if (!Instance || !FIsInstance(Instance)) RaiseUnknownProperty(FName);
}

template <class V>
const TPropInfo::TAccessor<V>& TPropInfo::Access(const TObject* Instance, bool forWrite) const {
  CheckInstance(Instance);
  const auto* access = std::get_if<TAccessor<V>>(&FAccess);
  if (!access) TypInfoDetail::RaiseInvalidPropertyType(TypeName());
  if (forWrite && !access->Set) throw EPropertyError(RtlConsts::SReadOnlyProperty);
  if (!forWrite && !access->Get) throw EPropertyError(RtlConsts::SWriteOnlyProperty);
  return *access;
}

void TPropInfo::CheckOrdinalRange(Int64 Value) const {
  const TTypeInfo* type = PropType();
  switch (FKind) {
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkEnumeration:
      if (Value < type->MinValue() || Value > type->MaxValue()) throw ERangeError(RtlConsts::SRangeError);
      break;
    case tkSet: {
      const qsizetype count = type->CompType()->EnumNames().size();
      if (count < 64 && (static_cast<uint64_t>(Value) >> count) != 0) throw ERangeError(RtlConsts::SRangeError);
      break;
    }
    default:
      break;
  }
}

bool TPropInfo::IsStored(const TObject* Instance) const {
  CheckInstance(Instance);
  return FStoredWhen ? FStoredWhen(*Instance) : FStored;
}

Int64 TPropInfo::GetOrd(const TObject* Instance) const { return Access<Int64>(Instance, false).Get(*Instance); }

void TPropInfo::SetOrd(TObject* Instance, Int64 Value) const {
  const auto& access = Access<Int64>(Instance, true);
  CheckOrdinalRange(Value);
  access.Set(*Instance, Value);
}

double TPropInfo::GetFloat(const TObject* Instance) const {
  return Access<double>(Instance, false).Get(*Instance);
}

void TPropInfo::SetFloat(TObject* Instance, double Value) const {
  Access<double>(Instance, true).Set(*Instance, Value);
}

QString TPropInfo::GetStr(const TObject* Instance) const {
  return Access<QString>(Instance, false).Get(*Instance);
}

void TPropInfo::SetStr(TObject* Instance, const QString& Value) const {
  Access<QString>(Instance, true).Set(*Instance, Value);
}

TObject* TPropInfo::GetObject(const TObject* Instance) const {
  return Access<TObject*>(Instance, false).Get(*Instance);
}

void TPropInfo::SetObject(TObject* Instance, TObject* Value) const {
  Access<TObject*>(Instance, true).Set(*Instance, Value);
}

TMethod TPropInfo::GetMethod(const TObject* Instance) const {
  return Access<TMethod>(Instance, false).Get(*Instance);
}

void TPropInfo::SetMethod(TObject* Instance, const TMethod& Value) const {
  Access<TMethod>(Instance, true).Set(*Instance, Value);
}

QVariant TPropInfo::GetVariant(const TObject* Instance) const {
  return Access<QVariant>(Instance, false).Get(*Instance);
}

void TPropInfo::SetVariant(TObject* Instance, const QVariant& Value) const {
  Access<QVariant>(Instance, true).Set(*Instance, Value);
}

// ---------------------------------------------------------------------------
// TClassInfo

bool TClassInfo::InheritsFrom(const TClassInfo* Ancestor) const {
  for (const TClassInfo* c = this; c; c = c->FParent)
    if (c == Ancestor) return true;
  return false;
}

bool TClassInfo::IsInstance(const TObject* Instance) const { return Instance && FIsInstance(Instance); }

const TPropInfo* TClassInfo::Props(int Index) const {
  if (Index < 0 || Index >= PropCount())
    throw EListError(Fmt(RtlConsts::SListIndexError, {QString::number(Index)}));
  return FProps[static_cast<std::size_t>(Index)];
}

const TPropInfo* TClassInfo::FindProp(const QString& Name) const {
  for (const TPropInfo* p : FProps)
    if (p->Name().compare(Name, Qt::CaseInsensitive) == 0) return p;
  return nullptr;
}

const TMethodInfo* TClassInfo::MethodAddress(const QString& Name) const {
  for (const TClassInfo* c = this; c; c = c->FParent)
    for (const auto& m : c->FOwnMethods)
      if (m->Name().compare(Name, Qt::CaseInsensitive) == 0) return m.get();
  return nullptr;
}

QString TClassInfo::MethodName(const TMethodInfo* Code) const {
  if (!Code) return QString();
  for (const TClassInfo* c = this; c; c = c->FParent)
    for (const auto& m : c->FOwnMethods)
      if (m.get() == Code) return m->Name();
  return QString();
}

std::unique_ptr<TObject> TClassInfo::Create() const {
  if (!FFactory) throw EInvalidOperation(Fmt(RtlConsts::SCannotCreateClass, {FName}));
  std::unique_ptr<TObject> result(FFactory(nullptr));
  if (result) result->AfterConstruction();
  return result;
}

TObject* TClassInfo::CreateOwned(TObject* AOwner) const {
  if (!FFactory) throw EInvalidOperation(Fmt(RtlConsts::SCannotCreateClass, {FName}));
  TObject* result = FTakesOwner && AOwner ? FFactory(AOwner) : nullptr;
  if (!result)
    throw EInvalidOperation(
        Fmt(RtlConsts::SInvalidOwner, {FName, AOwner ? AOwner->ClassName() : QStringLiteral("nil")}));
  try {
    result->AfterConstruction();
  } catch (...) {
    delete result;  // leaves its owner
    throw;
  }
  return result;
}

// ---------------------------------------------------------------------------
// Class registry

const TClassInfo* ClassInfoOf(const TObject* Instance) {
  if (!Instance) return nullptr;
  TClassRegistry& r = Registry();
  std::lock_guard<std::mutex> guard(r.Lock);
  auto it = r.ByType.find(std::type_index(typeid(*Instance)));
  return it == r.ByType.end() ? nullptr : it->second;
}

void RegisterClass(const TClassInfo* AClass) {
  const TClassInfo* root = TypInfoDetail::ObjectClassInfo();
  TClassRegistry& r = Registry();
  std::lock_guard<std::mutex> guard(r.Lock);
  // The class and its ancestors, checked first so that a clash registers
  // nothing.
  for (const TClassInfo* c = AClass; c && c != root; c = c->ClassParent()) {
    const TClassInfo* known = r.ByName.value(NameKey(c->ClassName()), nullptr);
    if (known && known != c) throw EFilerError(Fmt(RtlConsts::SDuplicateClass, {c->ClassName()}));
  }
  for (const TClassInfo* c = AClass; c && c != root; c = c->ClassParent())
    r.ByName.insert(NameKey(c->ClassName()), c);
}

void RegisterClasses(std::initializer_list<const TClassInfo*> AClasses) {
  for (const TClassInfo* c : AClasses) RegisterClass(c);
}

void UnRegisterClass(const TClassInfo* AClass) {
  if (!AClass) return;
  TClassRegistry& r = Registry();
  std::lock_guard<std::mutex> guard(r.Lock);
  const QString key = NameKey(AClass->ClassName());
  if (r.ByName.value(key, nullptr) == AClass) r.ByName.remove(key);
}

const TClassInfo* GetClass(const QString& ClassName) {
  TClassRegistry& r = Registry();
  std::lock_guard<std::mutex> guard(r.Lock);
  return r.ByName.value(NameKey(ClassName), nullptr);
}

const TClassInfo* FindClass(const QString& ClassName) {
  const TClassInfo* result = GetClass(ClassName);
  if (!result) throw EClassNotFound(Fmt(RtlConsts::SClassNotFound, {ClassName}));
  return result;
}

// ---------------------------------------------------------------------------
// Property lookup

const TPropInfo* GetPropInfo(const TClassInfo* AClass, const QString& PropName) {
  return AClass ? AClass->FindProp(PropName) : nullptr;
}

const TPropInfo* GetPropInfo(const TObject* Instance, const QString& PropName) {
  return GetPropInfo(ClassInfoOf(Instance), PropName);
}

TPropList GetPropList(const TClassInfo* AClass) { return AClass ? AClass->PropList() : TPropList(); }

TPropList GetPropList(const TObject* Instance) { return GetPropList(ClassInfoOf(Instance)); }

TPropList GetPropList(const TClassInfo* AClass, TTypeKinds TypeKinds, bool SortList) {
  TPropList result;
  for (const TPropInfo* p : GetPropList(AClass))
    if (TypeKinds.Contains(p->Kind())) result.push_back(p);
  if (SortList) SortPropList(result);
  return result;
}

void SortPropList(TPropList& PropList) {
  std::stable_sort(PropList.begin(), PropList.end(), [](const TPropInfo* a, const TPropInfo* b) {
    return a->Name().compare(b->Name(), Qt::CaseInsensitive) < 0;
  });
}

bool IsPublishedProp(const TClassInfo* AClass, const QString& PropName) {
  return GetPropInfo(AClass, PropName) != nullptr;
}

bool IsPublishedProp(const TObject* Instance, const QString& PropName) {
  return GetPropInfo(Instance, PropName) != nullptr;
}

TTypeKind PropType(const TClassInfo* AClass, const QString& PropName) {
  return RequireProp(AClass, PropName)->Kind();
}

TTypeKind PropType(const TObject* Instance, const QString& PropName) {
  return RequireProp(Instance, PropName)->Kind();
}

bool PropIsType(const TClassInfo* AClass, const QString& PropName, TTypeKind TypeKind) {
  return PropType(AClass, PropName) == TypeKind;
}

bool PropIsType(const TObject* Instance, const QString& PropName, TTypeKind TypeKind) {
  return PropType(Instance, PropName) == TypeKind;
}

// ---------------------------------------------------------------------------
// Enumerations and sets

QString GetEnumName(const TTypeInfo* TypeInfo, int Value) {
  if (!TypeInfo || TypeInfo->Kind() != tkEnumeration) return QString();
  const QStringList& names = TypeInfo->EnumNames();
  return Value >= 0 && Value < names.size() ? names[Value] : QString();
}

int GetEnumValue(const TTypeInfo* TypeInfo, const QString& Name) {
  if (!TypeInfo || TypeInfo->Kind() != tkEnumeration) return -1;
  const QStringList& names = TypeInfo->EnumNames();
  for (qsizetype i = 0; i < names.size(); ++i)
    if (names[i].compare(Name, Qt::CaseInsensitive) == 0) return static_cast<int>(i);
  return -1;
}

QString SetToString(const TTypeInfo* SetType, Int64 Value, bool Brackets) {
  const QStringList& names = SetElementType(SetType)->EnumNames();
  QStringList members;
  for (qsizetype i = 0; i < names.size() && i < 64; ++i)
    if ((static_cast<uint64_t>(Value) >> i) & 1u) members << names[i];
  QString result = members.join(u',');
  return Brackets ? u'[' + result + u']' : result;
}

QString SetToString(const TPropInfo* PropInfo, Int64 Value, bool Brackets) {
  return SetToString(CheckProp(PropInfo)->PropType(), Value, Brackets);
}

Int64 StringToSet(const TTypeInfo* SetType, const QString& Value) {
  const TTypeInfo* element = SetElementType(SetType);
  uint64_t bits = 0;
  auto isSeparator = [](QChar c) { return c == u',' || c == u'[' || c == u']' || c.isSpace(); };
  qsizetype i = 0;
  while (i < Value.size()) {
    if (isSeparator(Value[i])) {
      ++i;
      continue;
    }
    qsizetype end = i;
    while (end < Value.size() && !isSeparator(Value[end])) ++end;
    const QString name = Value.mid(i, end - i);
    const int ordinal = GetEnumValue(element, name);
    if (ordinal < 0) RaiseInvalidElement(name);
    bits |= uint64_t{1} << ordinal;
    i = end;
  }
  return static_cast<Int64>(bits);
}

Int64 StringToSet(const TPropInfo* PropInfo, const QString& Value) {
  return StringToSet(CheckProp(PropInfo)->PropType(), Value);
}

// ---------------------------------------------------------------------------
// Typed access

Int64 GetOrdProp(const TObject* Instance, const TPropInfo* PropInfo) {
  return CheckProp(PropInfo)->GetOrd(Instance);
}
Int64 GetOrdProp(const TObject* Instance, const QString& PropName) {
  return RequireProp(Instance, PropName)->GetOrd(Instance);
}
void SetOrdProp(TObject* Instance, const TPropInfo* PropInfo, Int64 Value) {
  CheckProp(PropInfo)->SetOrd(Instance, Value);
}
void SetOrdProp(TObject* Instance, const QString& PropName, Int64 Value) {
  RequireProp(Instance, PropName)->SetOrd(Instance, Value);
}

QString GetEnumProp(const TObject* Instance, const TPropInfo* PropInfo) {
  CheckKind(PropInfo, tkEnumeration);
  return GetEnumName(PropInfo->PropType(), static_cast<int>(PropInfo->GetOrd(Instance)));
}
QString GetEnumProp(const TObject* Instance, const QString& PropName) {
  return GetEnumProp(Instance, RequireProp(Instance, PropName));
}
void SetEnumProp(TObject* Instance, const TPropInfo* PropInfo, const QString& Value) {
  CheckKind(PropInfo, tkEnumeration);
  const int ordinal = GetEnumValue(PropInfo->PropType(), Value);
  if (ordinal < 0) RaiseInvalidElement(Value);
  PropInfo->SetOrd(Instance, ordinal);
}
void SetEnumProp(TObject* Instance, const QString& PropName, const QString& Value) {
  SetEnumProp(Instance, RequireProp(Instance, PropName), Value);
}

QString GetSetProp(const TObject* Instance, const TPropInfo* PropInfo, bool Brackets) {
  CheckKind(PropInfo, tkSet);
  return SetToString(PropInfo, PropInfo->GetOrd(Instance), Brackets);
}
QString GetSetProp(const TObject* Instance, const QString& PropName, bool Brackets) {
  return GetSetProp(Instance, RequireProp(Instance, PropName), Brackets);
}
void SetSetProp(TObject* Instance, const TPropInfo* PropInfo, const QString& Value) {
  CheckKind(PropInfo, tkSet);
  PropInfo->SetOrd(Instance, StringToSet(PropInfo, Value));
}
void SetSetProp(TObject* Instance, const QString& PropName, const QString& Value) {
  SetSetProp(Instance, RequireProp(Instance, PropName), Value);
}

QString GetStrProp(const TObject* Instance, const TPropInfo* PropInfo) {
  return CheckProp(PropInfo)->GetStr(Instance);
}
QString GetStrProp(const TObject* Instance, const QString& PropName) {
  return RequireProp(Instance, PropName)->GetStr(Instance);
}
void SetStrProp(TObject* Instance, const TPropInfo* PropInfo, const QString& Value) {
  CheckProp(PropInfo)->SetStr(Instance, Value);
}
void SetStrProp(TObject* Instance, const QString& PropName, const QString& Value) {
  RequireProp(Instance, PropName)->SetStr(Instance, Value);
}

double GetFloatProp(const TObject* Instance, const TPropInfo* PropInfo) {
  return CheckProp(PropInfo)->GetFloat(Instance);
}
double GetFloatProp(const TObject* Instance, const QString& PropName) {
  return RequireProp(Instance, PropName)->GetFloat(Instance);
}
void SetFloatProp(TObject* Instance, const TPropInfo* PropInfo, double Value) {
  CheckProp(PropInfo)->SetFloat(Instance, Value);
}
void SetFloatProp(TObject* Instance, const QString& PropName, double Value) {
  RequireProp(Instance, PropName)->SetFloat(Instance, Value);
}

Int64 GetInt64Prop(const TObject* Instance, const TPropInfo* PropInfo) {
  return CheckProp(PropInfo)->GetOrd(Instance);
}
Int64 GetInt64Prop(const TObject* Instance, const QString& PropName) {
  return RequireProp(Instance, PropName)->GetOrd(Instance);
}
void SetInt64Prop(TObject* Instance, const TPropInfo* PropInfo, Int64 Value) {
  CheckProp(PropInfo)->SetOrd(Instance, Value);
}
void SetInt64Prop(TObject* Instance, const QString& PropName, Int64 Value) {
  RequireProp(Instance, PropName)->SetOrd(Instance, Value);
}

TObject* GetObjectProp(const TObject* Instance, const TPropInfo* PropInfo) {
  return CheckProp(PropInfo)->GetObject(Instance);
}
TObject* GetObjectProp(const TObject* Instance, const QString& PropName) {
  return RequireProp(Instance, PropName)->GetObject(Instance);
}
void SetObjectProp(TObject* Instance, const TPropInfo* PropInfo, TObject* Value) {
  CheckProp(PropInfo)->SetObject(Instance, Value);
}
void SetObjectProp(TObject* Instance, const QString& PropName, TObject* Value) {
  RequireProp(Instance, PropName)->SetObject(Instance, Value);
}

TMethod GetMethodProp(const TObject* Instance, const TPropInfo* PropInfo) {
  return CheckProp(PropInfo)->GetMethod(Instance);
}
TMethod GetMethodProp(const TObject* Instance, const QString& PropName) {
  return RequireProp(Instance, PropName)->GetMethod(Instance);
}
void SetMethodProp(TObject* Instance, const TPropInfo* PropInfo, const TMethod& Value) {
  CheckProp(PropInfo)->SetMethod(Instance, Value);
}
void SetMethodProp(TObject* Instance, const QString& PropName, const TMethod& Value) {
  RequireProp(Instance, PropName)->SetMethod(Instance, Value);
}

QVariant GetVariantProp(const TObject* Instance, const TPropInfo* PropInfo) {
  return CheckProp(PropInfo)->GetVariant(Instance);
}
QVariant GetVariantProp(const TObject* Instance, const QString& PropName) {
  return RequireProp(Instance, PropName)->GetVariant(Instance);
}
void SetVariantProp(TObject* Instance, const TPropInfo* PropInfo, const QVariant& Value) {
  CheckProp(PropInfo)->SetVariant(Instance, Value);
}
void SetVariantProp(TObject* Instance, const QString& PropName, const QVariant& Value) {
  RequireProp(Instance, PropName)->SetVariant(Instance, Value);
}

QVariant GetPropValue(const TObject* Instance, const TPropInfo* PropInfo, bool PreferStrings) {
  const TPropInfo* prop = CheckProp(PropInfo);
  const TTypeInfo* type = prop->PropType();
  switch (prop->Kind()) {
    case tkInteger: {
      const Int64 value = prop->GetOrd(Instance);
      if (type->OrdType() == otULong) return QVariant(static_cast<uint>(value));
      return QVariant(static_cast<int>(value));
    }
    case tkChar:
    case tkWChar:
      return QVariant(static_cast<int>(prop->GetOrd(Instance)));
    case tkEnumeration: {
      const Int64 value = prop->GetOrd(Instance);
      if (type->BaseType() == TypInfoDetail::BuiltinType(TypInfoDetail::btBoolean)) return QVariant(value != 0);
      if (PreferStrings) return GetEnumName(type, static_cast<int>(value));
      return QVariant(static_cast<int>(value));
    }
    case tkSet: {
      const Int64 value = prop->GetOrd(Instance);
      if (PreferStrings) return SetToString(type, value, false);
      return QVariant(static_cast<qlonglong>(value));
    }
    case tkInt64:
      return QVariant(static_cast<qlonglong>(prop->GetOrd(Instance)));
    case tkFloat:
      return QVariant(prop->GetFloat(Instance));
    case tkString:
    case tkLString:
    case tkWString:
    case tkUString:
      return QVariant(prop->GetStr(Instance));
    case tkVariant:
      return prop->GetVariant(Instance);
    case tkClass:
      return QVariant::fromValue(prop->GetObject(Instance));
    default:
      TypInfoDetail::RaiseInvalidPropertyType(prop->TypeName());
  }
}

QVariant GetPropValue(const TObject* Instance, const QString& PropName, bool PreferStrings) {
  return GetPropValue(Instance, RequireProp(Instance, PropName), PreferStrings);
}

void SetPropValue(TObject* Instance, const TPropInfo* PropInfo, const QVariant& Value) {
  const TPropInfo* prop = CheckProp(PropInfo);
  const bool isText = Value.typeId() == QMetaType::QString;
  switch (prop->Kind()) {
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkInt64:
      prop->SetOrd(Instance, VariantToInt64(Value));
      break;
    case tkEnumeration:
      if (isText) SetEnumProp(Instance, prop, Value.toString());
      else prop->SetOrd(Instance, VariantToInt64(Value));
      break;
    case tkSet:
      if (isText) SetSetProp(Instance, prop, Value.toString());
      else prop->SetOrd(Instance, VariantToInt64(Value));
      break;
    case tkFloat:
      prop->SetFloat(Instance, VariantToDouble(Value));
      break;
    case tkString:
    case tkLString:
    case tkWString:
    case tkUString:
      prop->SetStr(Instance, VariantToText(Value));
      break;
    case tkVariant:
      prop->SetVariant(Instance, Value);
      break;
    case tkClass:
      if (!Value.isValid()) prop->SetObject(Instance, nullptr);
      else if (Value.metaType() == QMetaType::fromType<TObject*>()) prop->SetObject(Instance, Value.value<TObject*>());
      else TypInfoDetail::RaiseInvalidValue();
      break;
    default:
      TypInfoDetail::RaiseInvalidPropertyType(prop->TypeName());
  }
}

void SetPropValue(TObject* Instance, const QString& PropName, const QVariant& Value) {
  SetPropValue(Instance, RequireProp(Instance, PropName), Value);
}

bool IsStoredProp(const TObject* Instance, const TPropInfo* PropInfo) {
  return CheckProp(PropInfo)->IsStored(Instance);
}

bool IsStoredProp(const TObject* Instance, const QString& PropName) {
  return RequireProp(Instance, PropName)->IsStored(Instance);
}

bool IsDefaultPropValue(const TObject* Instance, const TPropInfo* PropInfo) {
  const TPropInfo* prop = CheckProp(PropInfo);
  if (!prop->HasGetter()) return true;
  if (!prop->HasSetter() && prop->Kind() != tkClass) return true;
  switch (prop->Kind()) {
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkEnumeration:
    case tkSet:
      return prop->HasDefault() && prop->GetOrd(Instance) == prop->Default();
    case tkInt64:
      return prop->GetOrd(Instance) == prop->Default();
    case tkFloat:
      return prop->GetFloat(Instance) == 0.0;
    case tkString:
    case tkLString:
    case tkWString:
    case tkUString:
      return prop->GetStr(Instance).isEmpty();
    case tkVariant:
      return !prop->GetVariant(Instance).isValid();
    case tkClass:
      return prop->GetObject(Instance) == nullptr;
    case tkMethod:
      return !prop->GetMethod(Instance).Assigned();
    default:
      return false;
  }
}

const TMethodInfo* MethodAddress(const TObject* Instance, const QString& Name) {
  const TClassInfo* cls = ClassInfoOf(Instance);
  return cls ? cls->MethodAddress(Name) : nullptr;
}

QString MethodName(const TObject* Instance, const TMethodInfo* Code) {
  const TClassInfo* cls = ClassInfoOf(Instance);
  return cls ? cls->MethodName(Code) : QString();
}
