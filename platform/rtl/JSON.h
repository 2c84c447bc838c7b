#pragma once
// The framework's JSON value tree (TJSONValue and its descendants) with a
// reader for JSON text: page scripts hand their results back as JSON.

#include <QString>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/rtl/System.h"

class TJSONValue : public TObject {
 public:
  // The value as text: a string's decoded characters, a number as written,
  // "true", "false" or "null"; empty for objects and arrays.
  virtual QString Value() const { return QString(); }
  // Compact JSON text of the value (no blanks between tokens).
  virtual QString ToJSON() const = 0;
  QString ToString() const { return ToJSON(); }

  // Reads the value as a T: QString (strings, numbers, true and false), bool
  // (true and false), an integral type (numbers with an integral value in
  // T's range), a floating-point type (numbers) or a pointer to a const JSON
  // class (this value when it is of that class). False when it does not fit.
  template <class T>
  bool TryGetValue(T& value) const {
    if constexpr (std::is_same_v<T, QString>) {
      return TryGetText(value);
    } else if constexpr (std::is_same_v<T, bool>) {
      return TryGetBoolean(value);
    } else if constexpr (std::is_integral_v<T>) {
      Int64 v = 0;
      if (!TryGetInt64(v) || !std::in_range<T>(v)) return false;
      value = static_cast<T>(v);
      return true;
    } else if constexpr (std::is_floating_point_v<T>) {
      double v = 0;
      if (!TryGetDouble(v)) return false;
      value = static_cast<T>(v);
      return true;
    } else if constexpr (std::is_pointer_v<T>) {
      using Target = std::remove_pointer_t<T>;
      static_assert(std::is_const_v<Target> &&
                        std::is_base_of_v<TJSONValue, std::remove_const_t<Target>>,
                    "TryGetValue gives pointers to const JSON classes only");
      T p = dynamic_cast<T>(this);
      if (p == nullptr) return false;
      value = p;
      return true;
    } else {
      static_assert(sizeof(T) == 0, "TryGetValue: unsupported type");
      return false;
    }
  }

 protected:
  virtual bool TryGetText(QString&) const { return false; }
  virtual bool TryGetBoolean(bool&) const { return false; }
  virtual bool TryGetInt64(Int64&) const { return false; }
  virtual bool TryGetDouble(double&) const { return false; }
};

class TJSONString : public TJSONValue {
 public:
  explicit TJSONString(const QString& value = QString()) : FValue(value) {}
  QString Value() const override { return FValue; }
  QString ToJSON() const override;

 protected:
  bool TryGetText(QString& value) const override { value = FValue; return true; }

 private:
  QString FValue;
};

class TJSONNumber : public TJSONValue {
 public:
  // The number as JSON text ("-12", "3.5e10"); raises EConvertError when the
  // text is not a JSON number.
  explicit TJSONNumber(const QString& text);
  explicit TJSONNumber(int value);
  explicit TJSONNumber(Int64 value);
  // Shortest text that reads back as the same double. A NaN or an infinity
  // has no JSON form: ToJSON writes it as null.
  explicit TJSONNumber(double value);

  // The number's text as written.
  QString Value() const override { return FText; }
  QString ToJSON() const override;
  // The integral value; raises EConvertError when the number has a fraction
  // or lies outside the type's range.
  int AsInt() const;
  Int64 AsInt64() const;
  // The value as a double; numbers beyond the double range give an infinity.
  double AsDouble() const;

 protected:
  bool TryGetText(QString& value) const override { value = FText; return true; }
  bool TryGetInt64(Int64& value) const override;
  bool TryGetDouble(double& value) const override { value = AsDouble(); return true; }

 private:
  QString FText;
  bool FFinite = true;
};

class TJSONBool : public TJSONValue {
 public:
  explicit TJSONBool(bool value) : FValue(value) {}
  bool AsBoolean() const { return FValue; }
  QString Value() const override { return FValue ? QStringLiteral("true") : QStringLiteral("false"); }
  QString ToJSON() const override { return Value(); }

 protected:
  bool TryGetText(QString& value) const override { value = Value(); return true; }
  bool TryGetBoolean(bool& value) const override { value = FValue; return true; }

 private:
  bool FValue;
};

class TJSONTrue : public TJSONBool {
 public:
  TJSONTrue() : TJSONBool(true) {}
};

class TJSONFalse : public TJSONBool {
 public:
  TJSONFalse() : TJSONBool(false) {}
};

class TJSONNull : public TJSONValue {
 public:
  QString Value() const override { return QStringLiteral("null"); }
  QString ToJSON() const override { return Value(); }
};

// A name and its value inside an object; owns both.
class TJSONPair : public TObject {
 public:
  // A null value is stored as JSON null.
  TJSONPair(const QString& name, std::unique_ptr<TJSONValue> value);
  TJSONPair(const QString& name, const QString& value);

  TJSONString* JsonString() const { return FJsonString.get(); }
  TJSONValue* JsonValue() const { return FJsonValue.get(); }
  QString ToJSON() const;

 private:
  std::unique_ptr<TJSONString> FJsonString;
  std::unique_ptr<TJSONValue> FJsonValue;
};

class TJSONObject : public TJSONValue {
 public:
  TJSONObject() = default;

  int Count() const { return static_cast<int>(FPairs.size()); }
  // Raises EListError when Index is out of range.
  TJSONPair* Pairs(int index) const;
  // The value of the first pair with this name (case-sensitive), nullptr
  // when there is none.
  TJSONValue* GetValue(const QString& name) const;
  // Appends a pair (names may repeat; a null pair is ignored).
  TJSONObject& AddPair(std::unique_ptr<TJSONPair> pair);
  TJSONObject& AddPair(const QString& name, std::unique_ptr<TJSONValue> value);
  TJSONObject& AddPair(const QString& name, const QString& value);

  QString ToJSON() const override;

  // Reads one JSON value (object, array, string, number, true, false or
  // null, with blanks around it allowed). Answers nullptr instead of raising
  // when the text is not exactly one well-formed value or nests deeper than
  // MaxDepth arrays and objects. The byte and char forms read UTF-8 (the
  // latter spares literals the choice between QString and QByteArray).
  static std::unique_ptr<TJSONValue> ParseJSONValue(const QString& text);
  static std::unique_ptr<TJSONValue> ParseJSONValue(const TBytes& utf8);
  static std::unique_ptr<TJSONValue> ParseJSONValue(const char* utf8);
  static constexpr int MaxDepth = 512;

 private:
  std::vector<std::unique_ptr<TJSONPair>> FPairs;
};

class TJSONArray : public TJSONValue {
 public:
  TJSONArray() = default;

  int Count() const { return static_cast<int>(FItems.size()); }
  // Raises EListError when Index is out of range.
  TJSONValue* Items(int index) const;
  // Appends a value (a null value is stored as JSON null).
  TJSONArray& Add(std::unique_ptr<TJSONValue> value);
  TJSONArray& Add(const QString& value);

  QString ToJSON() const override;

 private:
  std::vector<std::unique_ptr<TJSONValue>> FItems;
};
