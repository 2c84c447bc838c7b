#include "foundation/KitJSONReader.h"

#include <array>
#include <cmath>
#include <cstring>
#include <limits>

#include "foundation/KitUtils.h"
#include "platform/rtl/Encoding.h"

namespace {

// Byte -> character of the ANSI code page, taken once from the run-time's
// encoding.
const std::array<char16_t, 256>& AnsiTable() {
  static const std::array<char16_t, 256> table = [] {
    std::array<char16_t, 256> t{};
    TBytes bytes(256, Qt::Uninitialized);
    for (int b = 0; b < 256; ++b) bytes[b] = static_cast<char>(b);
    const QString text = TEncoding::ANSI()->GetString(bytes);
    for (int b = 0; b < 256; ++b) t[b] = b < text.size() ? text[b].unicode() : char16_t(b);
    return t;
  }();
  return table;
}

bool IsWhitespace(uint8_t c) { return c == 0x20 || c == 0x0A || c == 0x0D || c == 0x09 || c == 0x0C; }

// Characters that may follow a literal or a number.
bool IsLiteralDelimiter(char16_t c) {
  switch (c) {
    case u'/': case u'\\': case u';': case u'#': case u'{': case u'}': case u'[': case u']':
    case u':': case u',': case u'\'': case u' ': case u'\r': case u'\n': case u'\f': case u'\t':
      return true;
    default:
      return false;
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// TKitJSONStreamReader

TKitJSONStreamReader::TKitJSONStreamReader(TStream* aStream)
    : FStream(aStream), FReadStream(std::make_unique<TStringStream>(QString(), TEncoding::ANSI())) {
  const Int64 size = FStream->Size();
  if (size > 0) FReadStream->CopyFrom(FStream, size);
  FReadStream->SetPosition(0);
  FData = static_cast<const uint8_t*>(FReadStream->Memory());
  FSize = FReadStream->Size();
}

char16_t TKitJSONStreamReader::ToChar(uint8_t b) { return AnsiTable()[b]; }

QString TKitJSONStreamReader::Text(Int64 From, Int64 To) const {
  From = std::clamp<Int64>(From, 0, FSize);
  To = std::clamp<Int64>(To, From, FSize);
  const uint8_t* p = FData + From;
  const qsizetype length = static_cast<qsizetype>(To - From);
  // Plain ASCII is by far the common case (the writer escapes the rest).
  qsizetype i = 0;
  while (i < length && p[i] < 0x80) ++i;
  if (i == length) return QString::fromLatin1(reinterpret_cast<const char*>(p), length);
  const auto& table = AnsiTable();
  QString text(length, Qt::Uninitialized);
  char16_t* out = reinterpret_cast<char16_t*>(text.data());
  for (qsizetype k = 0; k < length; ++k) out[k] = table[p[k]];
  return text;
}

// ---------------------------------------------------------------------------
// TKitJSONReader

TKitJSONReader::TKitJSONReader(TStream* AStream)
    : FReader(std::make_unique<TKitJSONStreamReader>(AStream)) {
  FStack[FStackSize++] = jscEmptyDocument;
}

TKitJSONReader::~TKitJSONReader() = default;

void TKitJSONReader::InvalidState(TKitJSONState AExpected) const {
  throw EInvalidStateException(AExpected);
}

void TKitJSONReader::Push(TKitJSONScope AScope) {
  if (FStackSize >= MaxStackSize) throw ETooManyDepthLevels();
  FStack[FStackSize++] = AScope;
}

void TKitJSONReader::Pop() {
  if (FStackSize <= 1) throw EInvalidStateException(jstNone);  // cannot happen: ends match begins
  --FStackSize;
}

int TKitJSONReader::NextNonWhitespace() {
  Int64 pos = FReader->Position();
  const Int64 size = FReader->Size();
  const uint8_t* data = FReader->Data();
  while (pos < size && IsWhitespace(data[pos])) ++pos;
  FReader->SetPosition(pos);
  return pos < size ? TKitJSONStreamReader::ToChar(data[pos]) : -1;
}

TKitJSONToken TKitJSONReader::Peek() {
  switch (PeekState()) {
    case jstBeginObject: return jstoBeginObject;
    case jstEndObject: return jstoEndObject;
    case jstBeginArray: return jstoBeginArray;
    case jstEndArray: return jstoEndArray;
    case jstDoubleQuotedName: return jstoName;
    case jstTrue:
    case jstFalse: return jstoBoolean;
    case jstNull: return jstoNull;
    case jstDoubleQuoted:
    case jstBuffered: return jstoText;
    case jstInt64:
    case jstNumber: return jstoNumber;
    case jstEOF: return jstoEOF;
    case jstNone: break;
  }
  throw EInvalidStateException(jstNone);  // DoPeek always recognises a token
}

TKitJSONReader::TKitJSONState TKitJSONReader::DoPeek() {
  uint8_t& top = FStack[FStackSize - 1];
  const uint8_t scope = top;
  switch (scope) {
    case jscEmptyArray:
      top = jscNonEmptyArray;
      break;
    case jscNonEmptyArray: {
      const int c = NextNonWhitespace();
      if (c == u']') {
        FReader->MoveNext(1);
        return FPeeked = jstEndArray;
      }
      if (c != u',') throw EUnterminatedArray();
      FReader->MoveNext(1);
      break;
    }
    case jscEmptyObject:
    case jscNonEmptyObject: {
      top = jscDanglingName;
      if (scope == jscNonEmptyObject) {
        const int c = NextNonWhitespace();
        if (c == u'}') {
          FReader->MoveNext(1);
          return FPeeked = jstEndObject;
        }
        if (c != u',') throw EUnterminatedObject();
        FReader->MoveNext(1);
      }
      const int c = NextNonWhitespace();
      if (c == u'"') {
        FReader->MoveNext(1);
        return FPeeked = jstDoubleQuotedName;
      }
      if (c == u'}' && scope == jscEmptyObject) {
        FReader->MoveNext(1);
        return FPeeked = jstEndObject;
      }
      throw ENameExpected();
    }
    case jscDanglingName: {
      top = jscNonEmptyObject;
      if (NextNonWhitespace() != u':') throw EColonExpected();
      FReader->MoveNext(1);
      break;
    }
    case jscEmptyDocument:
      top = jscNonEmptyDocument;
      break;
    case jscNonEmptyDocument:
      if (NextNonWhitespace() < 0) return FPeeked = jstEOF;
      throw EMultipleRootNotAllowed();
    default:
      break;
  }

  // A value is due.
  const int c = NextNonWhitespace();
  switch (c) {
    case u'[':
      FReader->MoveNext(1);
      return FPeeked = jstBeginArray;
    case u'{':
      FReader->MoveNext(1);
      return FPeeked = jstBeginObject;
    case u']':
      if (scope == jscEmptyArray) {
        FReader->MoveNext(1);
        return FPeeked = jstEndArray;
      }
      throw EExpectedValue();
    default:
      break;
  }
  if (FStackSize == 1) throw EObjectOrArrayExpected();
  if (c == u'"') {
    FReader->MoveNext(1);
    return FPeeked = jstDoubleQuoted;
  }
  TKitJSONState state = PeekKeyword();
  if (state == jstNone) state = PeekNumber();
  if (state == jstNone) throw EExpectedValue();
  return FPeeked = state;
}

TKitJSONReader::TKitJSONState TKitJSONReader::PeekKeyword() {
  const char* word;
  TKitJSONState state;
  switch (FReader->PeekChar().unicode()) {
    case u't': case u'T': word = "true"; state = jstTrue; break;
    case u'f': case u'F': word = "false"; state = jstFalse; break;
    case u'n': case u'N': word = "null"; state = jstNull; break;
    default: return jstNone;
  }
  for (const char* letter = word; *letter; ++letter) {
    if (FReader->NextChar().toLower() != QLatin1Char(*letter)) throw EExpectedValue();
  }
  if (!FReader->Eof() && !IsLiteralDelimiter(FReader->PeekChar().unicode())) throw EExpectedValue();
  return state;
}

TKitJSONReader::TKitJSONState TKitJSONReader::PeekNumber() {
  enum { nsNone, nsSign, nsDigit, nsDecimal, nsFractionDigit, nsExpE, nsExpSign, nsExpDigit };
  constexpr Int64 kMinIncompleteInteger = std::numeric_limits<Int64>::min() / 10;

  const uint8_t* data = FReader->Data();
  const Int64 start = FReader->Position();
  const Int64 size = FReader->Size();
  Int64 value = 0;  // accumulated negatively, so the Int64 minimum fits
  bool negative = false;
  bool fitsInInt64 = true;
  int last = nsNone;
  int i = 0;
  for (;; ++i) {
    if (i >= MaxNumberLength) throw EExpectedValue();
    if (start + i >= size) break;
    const char16_t c = TKitJSONStreamReader::ToChar(data[start + i]);
    switch (c) {
      case u'-':
        if (last == nsNone) {
          negative = true;
          last = nsSign;
        } else if (last == nsExpE) {
          last = nsExpSign;
        } else {
          throw EExpectedValue();
        }
        break;
      case u'+':
        if (last != nsExpE) throw EExpectedValue();
        last = nsExpSign;
        break;
      case u'e':
      case u'E':
        if (last != nsDigit && last != nsFractionDigit) throw EExpectedValue();
        last = nsExpE;
        break;
      case u'.':
        if (last != nsDigit) throw EExpectedValue();
        last = nsDecimal;
        break;
      default:
        if (c < u'0' || c > u'9') {
          if (last == nsNone) return jstNone;  // not a number at all
          if (!IsLiteralDelimiter(c)) throw EExpectedValue();
          goto done;  // the delimiter is given back
        }
        if (last == nsNone || last == nsSign) {
          value = -(c - u'0');
          last = nsDigit;
        } else if (last == nsDigit) {
          if (value == 0) throw EExpectedValue();  // no leading zeros
          const int digit = c - u'0';
          const bool fits = value > kMinIncompleteInteger ||
                            (value == kMinIncompleteInteger && digit <= 8);
          if (fits && fitsInInt64) value = value * 10 - digit;
          fitsInInt64 = fitsInInt64 && fits;
        } else if (last == nsDecimal) {
          last = nsFractionDigit;
        } else if (last == nsExpE || last == nsExpSign) {
          last = nsExpDigit;
        }
        break;
    }
    FPeekedNumber[i] = c;
  }
done:
  if (last == nsNone) return jstNone;
  FReader->SetPosition(start + i);
  if (last == nsDigit && fitsInInt64 &&
      (value != std::numeric_limits<Int64>::min() || negative)) {
    FPeekedInt64 = negative ? value : -value;
    return jstInt64;
  }
  if (last == nsDigit || last == nsFractionDigit || last == nsExpDigit) {
    FPeekedNumber[i] = 0;
    return jstNumber;
  }
  throw EExpectedValue();
}

QString TKitJSONReader::PeekedNumberText() const { return QString::fromUtf16(FPeekedNumber); }

QString TKitJSONReader::ReadQuoted() {
  const Int64 start = FReader->Position();
  const Int64 size = FReader->Size();
  const uint8_t* data = FReader->Data();
  const void* quote = std::memchr(data + start, '"', static_cast<size_t>(size - start));
  const Int64 end = quote ? static_cast<const uint8_t*>(quote) - data : size;
  FReader->SetPosition(quote ? end + 1 : size);
  return FReader->Text(start, end);
}

void TKitJSONReader::SkipQuoted() {
  const Int64 start = FReader->Position();
  const Int64 size = FReader->Size();
  const uint8_t* data = FReader->Data();
  const void* quote = std::memchr(data + start, '"', static_cast<size_t>(size - start));
  FReader->SetPosition(quote ? static_cast<const uint8_t*>(quote) - data + 1 : size);
}

bool TKitJSONReader::HasNext() {
  const TKitJSONState p = PeekState();
  return p != jstEndObject && p != jstEndArray;
}

void TKitJSONReader::ReadBeginArray() {
  if (PeekState() != jstBeginArray) InvalidState(jstBeginArray);
  Push(jscEmptyArray);
  FPeeked = jstNone;
}

void TKitJSONReader::ReadEndArray() {
  if (PeekState() != jstEndArray) InvalidState(jstEndArray);
  Pop();
  FPeeked = jstNone;
}

void TKitJSONReader::ReadBeginObject() {
  if (PeekState() != jstBeginObject) InvalidState(jstBeginObject);
  Push(jscEmptyObject);
  FPeeked = jstNone;
}

void TKitJSONReader::ReadEndObject() {
  if (PeekState() != jstEndObject) InvalidState(jstEndObject);
  Pop();
  FPeeked = jstNone;
}

QString TKitJSONReader::ReadName() {
  if (PeekState() != jstDoubleQuotedName) InvalidState(jstDoubleQuotedName);
  const QString name = ReadQuoted();
  FPeeked = jstNone;
  return TKitUtils::UnescapeString(name);
}

QString TKitJSONReader::PeekName() {
  if (PeekState() != jstDoubleQuotedName) InvalidState(jstDoubleQuotedName);
  const Int64 position = FReader->Position();
  const QString name = ReadQuoted();
  FReader->SetPosition(position);
  return TKitUtils::UnescapeString(name);
}

QString TKitJSONReader::ReadString() {
  QString result;
  switch (PeekState()) {
    case jstDoubleQuoted:
      result = ReadQuoted();
      break;
    case jstBuffered:
      result = FPeekedString;
      FPeekedString.clear();
      break;
    case jstInt64:
      result = IntToStr(FPeekedInt64);
      break;
    case jstNumber:
      result = PeekedNumberText();
      break;
    default:
      InvalidState(jstDoubleQuoted);
  }
  FPeeked = jstNone;
  return TKitUtils::UnescapeString(result);
}

bool TKitJSONReader::ReadBoolean() {
  const TKitJSONState p = PeekState();
  if (p != jstTrue && p != jstFalse) InvalidState(jstTrue);
  FPeeked = jstNone;
  return p == jstTrue;
}

void TKitJSONReader::ReadNull() {
  if (PeekState() != jstNull) InvalidState(jstNull);
  FPeeked = jstNone;
}

int TKitJSONReader::ReadInteger() {
  switch (PeekState()) {
    case jstInt64:
      if (FPeekedInt64 < std::numeric_limits<int>::min() ||
          FPeekedInt64 > std::numeric_limits<int>::max())
        InvalidState(jstInt64);
      FPeeked = jstNone;
      return static_cast<int>(FPeekedInt64);
    case jstNumber: {
      const QString text = PeekedNumberText();
      int value;
      if (TryStrToInt(text, value)) {
        FPeeked = jstNone;
        return value;
      }
      FPeekedString = text;
      break;
    }
    case jstDoubleQuoted: {
      const QString text = ReadQuoted();
      int value;
      if (TryStrToInt(text, value)) {
        FPeeked = jstNone;
        return value;
      }
      FPeekedString = text;
      break;
    }
    case jstBuffered:
      break;
    default:
      InvalidState(jstInt64);
  }
  FPeeked = jstBuffered;
  const double asDouble = StrToFloat(FPeekedString);
  if (!(asDouble >= std::numeric_limits<int>::min() && asDouble <= std::numeric_limits<int>::max()) ||
      static_cast<double>(Round(asDouble)) != asDouble)
    InvalidState(jstInt64);
  FPeekedString.clear();
  FPeeked = jstNone;
  return static_cast<int>(Round(asDouble));
}

Int64 TKitJSONReader::ReadInt64() {
  switch (PeekState()) {
    case jstInt64:
      FPeeked = jstNone;
      return FPeekedInt64;
    case jstNumber: {
      const QString text = PeekedNumberText();
      Int64 value;
      if (TryStrToInt64(text, value)) {
        FPeeked = jstNone;
        return value;
      }
      FPeekedString = text;
      break;
    }
    case jstDoubleQuoted: {
      const QString text = ReadQuoted();
      Int64 value;
      if (TryStrToInt64(text, value)) {
        FPeeked = jstNone;
        return value;
      }
      FPeekedString = text;
      break;
    }
    case jstBuffered:
      break;
    default:
      InvalidState(jstInt64);
  }
  FPeeked = jstBuffered;
  const double asDouble = StrToFloat(FPeekedString);
  if (!(asDouble >= -9223372036854775808.0 && asDouble < 9223372036854775808.0) ||
      static_cast<double>(Round(asDouble)) != asDouble)
    InvalidState(jstInt64);
  FPeekedString.clear();
  FPeeked = jstNone;
  return Round(asDouble);
}

double TKitJSONReader::ReadDouble() {
  switch (PeekState()) {
    case jstInt64:
      FPeeked = jstNone;
      return static_cast<double>(FPeekedInt64);
    case jstNumber: {
      const QString text = PeekedNumberText();
      double value;
      if (TryStrToFloat(text, value)) {
        FPeeked = jstNone;
        return value;
      }
      FPeekedString = text;
      break;
    }
    case jstDoubleQuoted:
      FPeekedString = ReadQuoted();
      break;
    case jstBuffered:
      break;
    default:
      InvalidState(jstNumber);
  }
  FPeeked = jstBuffered;
  double value;
  if (SameText(FPeekedString, QStringLiteral("NAN")))
    value = std::numeric_limits<double>::quiet_NaN();
  else if (SameText(FPeekedString, QStringLiteral("INF")))
    value = std::numeric_limits<double>::infinity();
  else if (SameText(FPeekedString, QStringLiteral("-INF")))
    value = -std::numeric_limits<double>::infinity();
  else
    value = StrToFloat(FPeekedString);
  FPeekedString.clear();
  FPeeked = jstNone;
  return value;
}

void TKitJSONReader::SkipValue() {
  int count = 0;
  do {
    switch (PeekState()) {
      case jstBeginArray:
        Push(jscEmptyArray);
        ++count;
        break;
      case jstBeginObject:
        Push(jscEmptyObject);
        ++count;
        break;
      case jstEndArray:
      case jstEndObject:
        Pop();
        --count;
        break;
      case jstDoubleQuoted:
      case jstDoubleQuotedName:
        SkipQuoted();
        break;
      case jstBuffered:
        FPeekedString.clear();
        break;
      default:
        break;
    }
    FPeeked = jstNone;
  } while (count > 0);
}
