#pragma once
// Root types of the run-time: the root object class, the small set template
// and the framework's scalar type names.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <initializer_list>
#include <type_traits>

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
class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = default;
  TObject& operator=(const TObject&) = default;
  virtual ~TObject() = default;

  // Name of the most-derived class, e.g. "TStringList": its published name
  // when it has a published table (TypInfo.h), else the C++ name.
  QString ClassName() const;
  // True when this object is of the given class or derives from it.
  template <class T>
  bool InheritsFrom() const { return dynamic_cast<const T*>(this) != nullptr; }
};

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
