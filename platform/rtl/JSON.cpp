#include "platform/rtl/JSON.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

#include "platform/rtl/Encoding.h"
#include "platform/rtl/SysUtils.h"

namespace {

bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// End of the JSON number starting at Pos (-?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?),
// -1 when none starts there.
qsizetype ScanNumber(QStringView s, qsizetype pos) {
  const qsizetype n = s.size();
  qsizetype i = pos;
  if (i < n && s[i] == QLatin1Char('-')) ++i;
  if (i >= n || !IsDigit(s[i])) return -1;
  if (s[i] == QLatin1Char('0')) {
    ++i;
  } else {
    while (i < n && IsDigit(s[i])) ++i;
  }
  if (i < n && s[i] == QLatin1Char('.')) {
    ++i;
    if (i >= n || !IsDigit(s[i])) return -1;
    while (i < n && IsDigit(s[i])) ++i;
  }
  if (i < n && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E'))) {
    ++i;
    if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-'))) ++i;
    if (i >= n || !IsDigit(s[i])) return -1;
    while (i < n && IsDigit(s[i])) ++i;
  }
  return i;
}

void AppendQuoted(QString& out, const QString& text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += QLatin1Char('"');
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = text[i];
    const char16_t u = c.unicode();
    switch (u) {
      case '"': out += QLatin1StringView("\\\""); continue;
      case '\\': out += QLatin1StringView("\\\\"); continue;
      case '\b': out += QLatin1StringView("\\b"); continue;
      case '\f': out += QLatin1StringView("\\f"); continue;
      case '\n': out += QLatin1StringView("\\n"); continue;
      case '\r': out += QLatin1StringView("\\r"); continue;
      case '\t': out += QLatin1StringView("\\t"); continue;
      default: break;
    }
    if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
      out += c;
      out += text[++i];
    } else if (u < 0x20 || c.isSurrogate()) {
      // Control characters and lone surrogates as escapes, so the text stays
      // valid and reads back to the same code units.
      out += QLatin1StringView("\\u");
      for (int shift = 12; shift >= 0; shift -= 4) out += QLatin1Char(kHex[(u >> shift) & 15]);
    } else {
      out += c;
    }
  }
  out += QLatin1Char('"');
}

void RaiseListIndexError(int index) {
  throw EListError(QString::fromLatin1(RtlConsts::SListIndexError)
                       .replace(QLatin1StringView("%d"), QString::number(index)));
}

void RaiseInvalidInteger(const QString& text) {
  throw EConvertError(QString::fromLatin1(RtlConsts::SInvalidInteger)
                          .replace(QLatin1StringView("%s"), text));
}

// ---------------------------------------------------------------------------
// Recursive-descent reader. The nesting depth is counted and capped, so the
// recursion stays within MaxDepth levels whatever the input.

class TJSONParser {
 public:
  explicit TJSONParser(const QString& text) : FText(text) {}

  std::unique_ptr<TJSONValue> ParseDocument() {
    SkipBlanks();
    std::unique_ptr<TJSONValue> value = ParseValue();
    if (!value) return nullptr;
    SkipBlanks();
    if (FPos != FText.size()) return nullptr;
    return value;
  }

 private:
  bool AtEnd() const { return FPos >= FText.size(); }
  QChar Peek() const { return FText[FPos]; }

  void SkipBlanks() {
    while (!AtEnd()) {
      const char16_t c = Peek().unicode();
      if (c != ' ' && c != '\t' && c != '\n' && c != '\r') break;
      ++FPos;
    }
  }

  bool Consume(QLatin1StringView word) {
    if (!QStringView(FText).mid(FPos).startsWith(word)) return false;
    FPos += word.size();
    return true;
  }

  std::unique_ptr<TJSONValue> ParseValue() {
    if (AtEnd()) return nullptr;
    switch (Peek().unicode()) {
      case '{': return ParseObject();
      case '[': return ParseArray();
      case '"': {
        QString text;
        if (!ParseString(text)) return nullptr;
        return std::make_unique<TJSONString>(text);
      }
      case 't':
        return Consume(QLatin1StringView("true")) ? std::make_unique<TJSONTrue>() : nullptr;
      case 'f':
        return Consume(QLatin1StringView("false")) ? std::make_unique<TJSONFalse>() : nullptr;
      case 'n':
        return Consume(QLatin1StringView("null")) ? std::make_unique<TJSONNull>() : nullptr;
      default: {
        const qsizetype end = ScanNumber(FText, FPos);
        if (end < 0) return nullptr;
        auto number = std::make_unique<TJSONNumber>(FText.mid(FPos, end - FPos));
        FPos = end;
        return number;
      }
    }
  }

  bool Enter() {
    ++FPos;  // the opening bracket
    return ++FDepth <= TJSONObject::MaxDepth;
  }

  std::unique_ptr<TJSONValue> ParseObject() {
    if (!Enter()) return nullptr;
    auto object = std::make_unique<TJSONObject>();
    SkipBlanks();
    if (!AtEnd() && Peek() == QLatin1Char('}')) {
      ++FPos;
      --FDepth;
      return object;
    }
    for (;;) {
      SkipBlanks();
      QString name;
      if (AtEnd() || Peek() != QLatin1Char('"') || !ParseString(name)) return nullptr;
      SkipBlanks();
      if (AtEnd() || Peek() != QLatin1Char(':')) return nullptr;
      ++FPos;
      SkipBlanks();
      std::unique_ptr<TJSONValue> value = ParseValue();
      if (!value) return nullptr;
      object->AddPair(name, std::move(value));
      SkipBlanks();
      if (AtEnd()) return nullptr;
      const QChar c = FText[FPos++];
      if (c == QLatin1Char('}')) break;
      if (c != QLatin1Char(',')) return nullptr;
    }
    --FDepth;
    return object;
  }

  std::unique_ptr<TJSONValue> ParseArray() {
    if (!Enter()) return nullptr;
    auto array = std::make_unique<TJSONArray>();
    SkipBlanks();
    if (!AtEnd() && Peek() == QLatin1Char(']')) {
      ++FPos;
      --FDepth;
      return array;
    }
    for (;;) {
      SkipBlanks();
      std::unique_ptr<TJSONValue> value = ParseValue();
      if (!value) return nullptr;
      array->Add(std::move(value));
      SkipBlanks();
      if (AtEnd()) return nullptr;
      const QChar c = FText[FPos++];
      if (c == QLatin1Char(']')) break;
      if (c != QLatin1Char(',')) return nullptr;
    }
    --FDepth;
    return array;
  }

  // Reads a quoted string at FPos into Out. A \u escape gives its code unit
  // as it is: two escapes of a surrogate pair form the character, an
  // unpaired surrogate is kept as the lone code unit.
  bool ParseString(QString& out) {
    ++FPos;  // the opening quote
    const qsizetype n = FText.size();
    while (FPos < n) {
      const qsizetype runStart = FPos;
      while (FPos < n) {
        const char16_t c = FText[FPos].unicode();
        if (c == '"' || c == '\\' || c < 0x20) break;
        ++FPos;
      }
      out += QStringView(FText).mid(runStart, FPos - runStart);
      if (FPos >= n) return false;
      const char16_t c = FText[FPos].unicode();
      if (c == '"') {
        ++FPos;
        return true;
      }
      if (c < 0x20) return false;  // raw control characters are not allowed
      if (++FPos >= n) return false;
      switch (FText[FPos++].unicode()) {
        case '"': out += QLatin1Char('"'); break;
        case '\\': out += QLatin1Char('\\'); break;
        case '/': out += QLatin1Char('/'); break;
        case 'b': out += QLatin1Char('\b'); break;
        case 'f': out += QLatin1Char('\f'); break;
        case 'n': out += QLatin1Char('\n'); break;
        case 'r': out += QLatin1Char('\r'); break;
        case 't': out += QLatin1Char('\t'); break;
        case 'u': {
          if (n - FPos < 4) return false;
          char16_t unit = 0;
          for (int k = 0; k < 4; ++k) {
            const int digit = HexDigit(FText[FPos + k].unicode());
            if (digit < 0) return false;
            unit = static_cast<char16_t>(unit * 16 + digit);
          }
          FPos += 4;
          out += QChar(unit);
          break;
        }
        default: return false;
      }
    }
    return false;
  }

  static int HexDigit(char16_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }

  const QString& FText;
  qsizetype FPos = 0;
  int FDepth = 0;
};

}  // namespace

// ---------------------------------------------------------------------------
// TJSONString

QString TJSONString::ToJSON() const {
  QString out;
  out.reserve(FValue.size() + 2);
  AppendQuoted(out, FValue);
  return out;
}

// ---------------------------------------------------------------------------
// TJSONNumber

TJSONNumber::TJSONNumber(const QString& text) : FText(text) {
  if (ScanNumber(text, 0) != text.size())
    throw EConvertError(QString::fromLatin1(RtlConsts::SInvalidFloat)
                            .replace(QLatin1StringView("%s"), text));
}

TJSONNumber::TJSONNumber(int value) : FText(QString::number(value)) {}

TJSONNumber::TJSONNumber(Int64 value) : FText(QString::number(value)) {}

TJSONNumber::TJSONNumber(double value)
    : FText(QString::number(value, 'g', QLocale::FloatingPointShortest)),
      FFinite(std::isfinite(value)) {}

QString TJSONNumber::ToJSON() const { return FFinite ? FText : QStringLiteral("null"); }

double TJSONNumber::AsDouble() const {
  // QString::toDouble reads the C locale's form, gives an infinity on
  // overflow and 0 on underflow.
  return FText.toDouble();
}

bool TJSONNumber::TryGetInt64(Int64& value) const {
  if (!FFinite) return false;
  // Worked out on the decimal text, so that neither rounding ("1.0000000001")
  // nor underflow ("1e-400") passes for an integral value.
  const QStringView text(FText);
  qsizetype i = 0;
  const bool negative = text.startsWith(QLatin1Char('-'));
  if (negative) ++i;
  QString digits;
  qsizetype pointAt = -1;
  for (; i < text.size() && (IsDigit(text[i]) || text[i] == QLatin1Char('.')); ++i) {
    if (text[i] == QLatin1Char('.'))
      pointAt = digits.size();
    else
      digits += text[i];
  }
  if (pointAt < 0) pointAt = digits.size();
  if (i < text.size()) {  // exponent, saturated far beyond any Int64
    ++i;
    const bool negativeExponent = text[i] == QLatin1Char('-');
    if (text[i] == QLatin1Char('+') || negativeExponent) ++i;
    qsizetype exponent = 0;
    for (; i < text.size(); ++i)
      exponent = std::min<qsizetype>(exponent * 10 + (text[i].unicode() - '0'), 1000000);
    pointAt += negativeExponent ? -exponent : exponent;
  }
  qsizetype first = 0;
  while (first < digits.size() && digits[first] == QLatin1Char('0')) ++first;
  if (first == digits.size()) {
    value = 0;
    return true;
  }
  for (qsizetype k = std::max<qsizetype>(pointAt, 0); k < digits.size(); ++k)
    if (digits[k] != QLatin1Char('0')) return false;  // a fraction
  if (pointAt - first > 19) return false;
  QString whole = digits.mid(first, pointAt - first);
  whole += QString(pointAt - first - whole.size(), QLatin1Char('0'));
  if (negative) whole.prepend(QLatin1Char('-'));
  bool ok = false;
  value = whole.toLongLong(&ok, 10);
  return ok;
}

Int64 TJSONNumber::AsInt64() const {
  Int64 value = 0;
  if (!TryGetInt64(value)) RaiseInvalidInteger(FText);
  return value;
}

int TJSONNumber::AsInt() const {
  const Int64 value = AsInt64();
  if (!std::in_range<int>(value)) RaiseInvalidInteger(FText);
  return static_cast<int>(value);
}

// ---------------------------------------------------------------------------
// TJSONPair

TJSONPair::TJSONPair(const QString& name, std::unique_ptr<TJSONValue> value)
    : FJsonString(std::make_unique<TJSONString>(name)),
      FJsonValue(value ? std::move(value) : std::make_unique<TJSONNull>()) {}

TJSONPair::TJSONPair(const QString& name, const QString& value)
    : TJSONPair(name, std::make_unique<TJSONString>(value)) {}

QString TJSONPair::ToJSON() const {
  return FJsonString->ToJSON() + QLatin1Char(':') + FJsonValue->ToJSON();
}

// ---------------------------------------------------------------------------
// TJSONObject

TJSONPair* TJSONObject::Pairs(int index) const {
  if (index < 0 || index >= Count()) RaiseListIndexError(index);
  return FPairs[static_cast<size_t>(index)].get();
}

TJSONValue* TJSONObject::GetValue(const QString& name) const {
  for (const auto& pair : FPairs)
    if (pair->JsonString()->Value() == name) return pair->JsonValue();
  return nullptr;
}

TJSONObject& TJSONObject::AddPair(std::unique_ptr<TJSONPair> pair) {
  if (pair) FPairs.push_back(std::move(pair));
  return *this;
}

TJSONObject& TJSONObject::AddPair(const QString& name, std::unique_ptr<TJSONValue> value) {
  return AddPair(std::make_unique<TJSONPair>(name, std::move(value)));
}

TJSONObject& TJSONObject::AddPair(const QString& name, const QString& value) {
  return AddPair(std::make_unique<TJSONPair>(name, value));
}

QString TJSONObject::ToJSON() const {
  QString out = QStringLiteral("{");
  for (size_t i = 0; i < FPairs.size(); ++i) {
    if (i > 0) out += QLatin1Char(',');
    out += FPairs[i]->ToJSON();
  }
  out += QLatin1Char('}');
  return out;
}

std::unique_ptr<TJSONValue> TJSONObject::ParseJSONValue(const QString& text) {
  return TJSONParser(text).ParseDocument();
}

std::unique_ptr<TJSONValue> TJSONObject::ParseJSONValue(const TBytes& utf8) {
  return ParseJSONValue(TEncoding::UTF8()->GetString(utf8));
}

std::unique_ptr<TJSONValue> TJSONObject::ParseJSONValue(const char* utf8) {
  return ParseJSONValue(TBytes(utf8));
}

// ---------------------------------------------------------------------------
// TJSONArray

TJSONValue* TJSONArray::Items(int index) const {
  if (index < 0 || index >= Count()) RaiseListIndexError(index);
  return FItems[static_cast<size_t>(index)].get();
}

TJSONArray& TJSONArray::Add(std::unique_ptr<TJSONValue> value) {
  FItems.push_back(value ? std::move(value) : std::make_unique<TJSONNull>());
  return *this;
}

TJSONArray& TJSONArray::Add(const QString& value) {
  return Add(std::make_unique<TJSONString>(value));
}

QString TJSONArray::ToJSON() const {
  QString out = QStringLiteral("[");
  for (size_t i = 0; i < FItems.size(); ++i) {
    if (i > 0) out += QLatin1Char(',');
    out += FItems[i]->ToJSON();
  }
  out += QLatin1Char(']');
  return out;
}
