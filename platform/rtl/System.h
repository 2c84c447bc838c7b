#pragma once
// Root types of the run-time: the root object class, the small set template
// and the framework's scalar type names.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <type_traits>
#include <utility>

using Byte = uint8_t;
using Word = uint16_t;
using Cardinal = uint32_t;
using Int64 = int64_t;
using UInt64 = uint64_t;
using Single = float;
using Extended = double;
using TDateTime = double;  // days since 1899-12-30, fraction = time of day
using TBytes = QByteArray;
using NativeInt = intptr_t;
using NativeUInt = uintptr_t;

// Root of every class of the system.
//
// Construction is two-phase, as in the framework: a C++ base constructor
// that calls a virtual function reaches the base's own body, never a
// descendant's override. So the virtual hooks a constructor would call run
// in AfterConstruction, which the creation paths call once the most derived
// constructor has finished:
//   - Create<T>(args...) and CreateUnique<T>(args...) below (an owned
//     component: Create<TMyControl>(Owner); one without owner:
//     CreateUnique<TMyControl>(nullptr));
//   - the class registry's factories (TClassInfo::Create, CreateOwned), and
//     so component streaming, which creates what it reads by class name;
//   - TThread::Create<T> and TApplication::CreateForm<T>.
// A class whose AfterConstruction must not run twice (code that creates with
// new and calls it itself) guards it.
class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = default;
  TObject& operator=(const TObject&) = default;
  virtual ~TObject() = default;

  // The second phase of construction (see above). Overrides call the
  // inherited version first.
  virtual void AfterConstruction() {}

  // Name of the most-derived class, e.g. "TStringList": its published name
  // when it has a published table (TypInfo.h), else the C++ name.
  QString ClassName() const;
  // True when this object is of the given class or derives from it.
  template <class T>
  bool InheritsFrom() const { return dynamic_cast<const T*>(this) != nullptr; }
};

// Creates a T with new and runs its AfterConstruction. An exception from
// AfterConstruction deletes the object (an owned component leaves its owner)
// and propagates. For an owned component the pointer stays the owner's.
template <class T, class... A>
T* Create(A&&... Args) {
  static_assert(std::is_base_of_v<TObject, T>, "Create makes objects of the framework's classes");
  T* object = new T(std::forward<A>(Args)...);
  try {
    object->AfterConstruction();
  } catch (...) {
    delete object;
    throw;
  }
  return object;
}

// As Create, for an object the caller owns.
template <class T, class... A>
std::unique_ptr<T> CreateUnique(A&&... Args) {
  return std::unique_ptr<T>(Create<T>(std::forward<A>(Args)...));
}

// Demangled name of a C++ type (no namespace qualification is stripped).
QString DemangledTypeName(const char* mangled);

// A set of enumeration values (the framework's "set of"), for enumerations
// whose values lie in 0..63.
template <class E>
class TSet {
  static_assert(std::is_enum_v<E>);

 public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> values) {
    for (E v : values) Include(v);
  }
  static constexpr TSet FromBits(uint64_t bits) { TSet s; s.bits_ = bits; return s; }

  constexpr TSet& Include(E v) { bits_ |= Bit(v); return *this; }
  constexpr TSet& Exclude(E v) { bits_ &= ~Bit(v); return *this; }
  constexpr bool Contains(E v) const { return (bits_ & Bit(v)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr uint64_t Bits() const { return bits_; }

  constexpr TSet operator+(TSet o) const { return FromBits(bits_ | o.bits_); }
  constexpr TSet operator-(TSet o) const { return FromBits(bits_ & ~o.bits_); }
  constexpr TSet operator*(TSet o) const { return FromBits(bits_ & o.bits_); }
  constexpr TSet& operator<<(E v) { return Include(v); }
  constexpr TSet& operator>>(E v) { return Exclude(v); }
  constexpr bool operator==(const TSet&) const = default;

 private:
  static constexpr uint64_t Bit(E v) { return uint64_t{1} << static_cast<unsigned>(v); }
  uint64_t bits_ = 0;
};
