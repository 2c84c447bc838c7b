#include "foundation/KitJSONReader.h"

#include <array>
#include <bit>
#include <charconv>
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

// TAB, LF, FF, CR and the blank.
inline bool IsWhitespace(uint8_t c) { return c <= 0x20 && ((uint64_t{1} << c) & 0x100003600ULL) != 0; }

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

// Where a text ends, and what it holds on the way.
struct TKitTextScan {
  const uint8_t* End;  // the closing quote, or the end of the input
  bool Backslash;      // an escape to decode
  bool High;           // a byte from 0x80 up
};

inline uint64_t ZeroBytes(uint64_t v) {
  return (v - 0x0101010101010101ULL) & ~v & 0x8080808080808080ULL;
}

// Scans eight bytes at a time. ZeroBytes marks every zero byte exactly up to
// the first one (a byte above it may be marked falsely), so the lowest mark
// finds the first quote, and marks below it tell true backslashes.
TKitTextScan ScanText(const uint8_t* p, const uint8_t* end) {
  bool backslash = false;
  uint64_t high = 0;
  if constexpr (std::endian::native == std::endian::little) {
    while (end - p >= 8) {
      uint64_t word;
      std::memcpy(&word, p, 8);
      const uint64_t quotes = ZeroBytes(word ^ 0x2222222222222222ULL);
      const uint64_t backslashes = ZeroBytes(word ^ 0x5C5C5C5C5C5C5C5CULL);
      if (quotes) {
        const int before = std::countr_zero(quotes) / 8;
        const uint64_t mask = before ? (~uint64_t{0} >> (64 - 8 * before)) : 0;
        return {p + before, backslash || (backslashes & mask) != 0,
                ((high | (word & mask)) & 0x8080808080808080ULL) != 0};
      }
      backslash = backslash || backslashes != 0;
      high |= word;
      p += 8;
    }
  }
  for (; p < end && *p != '"'; ++p) {
    backslash = backslash || *p == '\\';
    high |= *p;
  }
  return {p, backslash, (high & 0x8080808080808080ULL) != 0};
}

}  // namespace

// ---------------------------------------------------------------------------
// TKitJSONStreamReader

TKitJSONStreamReader::TKitJSONStreamReader(TStream* aStream)
    : FStream(aStream), FTable(AnsiTable().data()) {
  const Int64 size = FStream->Size();
  if (size > 0) {
    FReadStream = TBytes(size, Qt::Uninitialized);
    FStream->ReadBuffer(FReadStream.data(), size);
  }
  FData = reinterpret_cast<const uint8_t*>(FReadStream.constData());
  FSize = FReadStream.size();
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

inline int TKitJSONReader::NextNonWhitespace() {
  TKitJSONStreamReader& in = *FReader;
  const uint8_t* p = in.FData + in.FPos;
  const uint8_t* const end = in.FData + in.FSize;
  while (p < end) {
    if constexpr (std::endian::native == std::endian::little) {
      // A run of blanks (indentation) is measured eight bytes at a time.
      if (*p == ' ' && end - p >= 8) {
        uint64_t word;
        std::memcpy(&word, p, 8);
        word ^= 0x2020202020202020ULL;
        p += word ? std::countr_zero(word) / 8 : 8;
        continue;
      }
    }
    if (!IsWhitespace(*p)) break;
    ++p;
  }
  in.FPos = p - in.FData;
  return p < end ? *p : -1;
}

TKitJSONToken TKitJSONReader::Peek() {
  // The token of each state, in the order of TKitJSONState (DoPeek never
  // leaves jstNone).
  static constexpr TKitJSONToken kTokens[] = {
      jstoEOF,        jstoBeginObject, jstoEndObject, jstoBeginArray, jstoEndArray,
      jstoBoolean,    jstoBoolean,     jstoNull,      jstoText,       jstoText,
      jstoName,       jstoNumber,      jstoNumber,    jstoEOF};
  static_assert(std::size(kTokens) == jstEOF + 1);
  return kTokens[PeekState()];
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
  TKitJSONState state = PeekKeyword(c);
  if (state == jstNone) state = PeekNumber();
  if (state == jstNone) throw EExpectedValue();
  return FPeeked = state;
}

TKitJSONReader::TKitJSONState TKitJSONReader::PeekKeyword(int c) {
  const char* word;
  TKitJSONState state;
  switch (c) {
    case 't': case 'T': word = "true"; state = jstTrue; break;
    case 'f': case 'F': word = "false"; state = jstFalse; break;
    case 'n': case 'N': word = "null"; state = jstNull; break;
    default: return jstNone;
  }
  TKitJSONStreamReader& in = *FReader;
  for (const char* letter = word; *letter; ++letter) {
    if (in.FPos >= in.FSize) throw TKitJSONStreamReader::EEndOfInputReached();
    const uint8_t b = in.FData[in.FPos++];
    if ((b | 0x20) != static_cast<uint8_t>(*letter)) throw EExpectedValue();
  }
  if (in.FPos < in.FSize && !IsLiteralDelimiter(in.FData[in.FPos])) throw EExpectedValue();
  return state;
}

TKitJSONReader::TKitJSONState TKitJSONReader::PeekNumber() {
  enum { nsNone, nsSign, nsDigit, nsDecimal, nsFractionDigit, nsExpE, nsExpSign, nsExpDigit };
  constexpr Int64 kMinIncompleteInteger = std::numeric_limits<Int64>::min() / 10;

  TKitJSONStreamReader& in = *FReader;
  const uint8_t* data = in.FData;
  const Int64 start = in.FPos;
  const Int64 size = in.FSize;
  Int64 value = 0;  // accumulated negatively, so the Int64 minimum fits
  bool negative = false;
  bool fitsInInt64 = true;
  int last = nsNone;
  int i = 0;
  for (;; ++i) {
    if (i >= MaxNumberLength) throw EExpectedValue();
    if (start + i >= size) break;
    const char16_t c = data[start + i];  // a byte from 0x80 up ends the number with an error
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
  in.FPos = start + i;
  if (last == nsDigit && fitsInInt64 &&
      (value != std::numeric_limits<Int64>::min() || negative)) {
    FPeekedInt64 = negative ? value : -value;
    return jstInt64;
  }
  if (last == nsDigit || last == nsFractionDigit || last == nsExpDigit) {
    FPeekedNumber[i] = 0;
    FPeekedNumberLength = i;
    return jstNumber;
  }
  throw EExpectedValue();
}

QString TKitJSONReader::PeekedNumberText() const {
  return QString::fromUtf16(FPeekedNumber, FPeekedNumberLength);
}

bool TKitJSONReader::TryPeekedNumberToFloat(double& AValue) const {
  // The number's text is JSON number syntax, which the run-time's conversion
  // reads like the standard one when the decimal separator is "."; any
  // other case, and overflow or underflow, goes through the run-time.
  if (FormatSettings.DecimalSeparator != u'.') return TryStrToFloat(PeekedNumberText(), AValue);

  // Most numbers have a short significand and a small exponent: both are
  // exact doubles, so one multiplication or division rounds correctly.
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  const char16_t* c = FPeekedNumber;
  const char16_t* const end = c + FPeekedNumberLength;
  const bool negative = *c == u'-';
  if (negative) ++c;
  uint64_t significand = 0;
  int digits = 0;
  int exponent = 0;
  for (; c < end && *c >= u'0' && *c <= u'9'; ++c, ++digits) significand = significand * 10 + (*c - u'0');
  if (c < end && *c == u'.') {
    for (++c; c < end && *c >= u'0' && *c <= u'9'; ++c, ++digits, --exponent)
      significand = significand * 10 + (*c - u'0');
  }
  if (c < end) {  // the exponent
    ++c;
    const bool negativeExponent = *c == u'-';
    if (*c == u'-' || *c == u'+') ++c;
    int value = 0;
    for (; c < end && value < 1000; ++c) value = value * 10 + (*c - u'0');
    if (c == end) exponent += negativeExponent ? -value : value;
    else digits = 99;  // absurd exponent: leave it to the full conversion
  }
  if (digits <= 15 && exponent >= -22 && exponent <= 22) {
    const auto whole = static_cast<double>(significand);
    AValue = exponent < 0 ? whole / kPowers[-exponent] : whole * kPowers[exponent];
    if (negative) AValue = -AValue;
    return true;
  }

  char text[MaxNumberLength + 1];
  for (int i = 0; i < FPeekedNumberLength; ++i) text[i] = static_cast<char>(FPeekedNumber[i]);
  const auto [stop, error] = std::from_chars(text, text + FPeekedNumberLength, AValue);
  if (error == std::errc() && stop == text + FPeekedNumberLength) return true;
  return TryStrToFloat(PeekedNumberText(), AValue);
}

QString TKitJSONReader::ReadQuoted(bool AUnescape) {
  TKitJSONStreamReader& in = *FReader;
  const uint8_t* from = in.FData + in.FPos;
  const TKitTextScan scan = ScanText(from, in.FData + in.FSize);
  const auto length = static_cast<qsizetype>(scan.End - from);
  in.FPos += length;
  if (in.FPos < in.FSize) ++in.FPos;  // the closing quote
  QString text;
  if (!scan.High) {
    text = QString::fromLatin1(reinterpret_cast<const char*>(from), length);
  } else {
    text = QString(length, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (qsizetype k = 0; k < length; ++k) out[k] = in.ToChar(from[k]);
  }
  if (AUnescape && scan.Backslash) return TKitUtils::UnescapeString(text);
  return text;
}

namespace {

// The first N bytes (up to eight) at P as one word, the rest zero; End is
// the end of the readable bytes.
inline uint64_t LoadWord(const uint8_t* p, qsizetype n, const uint8_t* end) {
  uint64_t word = 0;
  if (end - p >= 8) {
    std::memcpy(&word, p, 8);  // one load; the bytes beyond N are masked off
    return n >= 8 ? word : word & ((uint64_t{1} << (8 * n)) - 1);
  }
  std::memcpy(&word, p, static_cast<size_t>(std::min<qsizetype>(n, 8)));
  return word;
}

}  // namespace

QString TKitJSONReader::ReadQuotedName() {
  TKitJSONStreamReader& in = *FReader;
  const uint8_t* from = in.FData + in.FPos;
  const TKitTextScan scan = ScanText(from, in.FData + in.FSize);
  const auto length = static_cast<qsizetype>(scan.End - from);
  if (scan.High || scan.Backslash || length > NameCacheMaxLength) return ReadQuoted(true);
  in.FPos += length;
  if (in.FPos < in.FSize) ++in.FPos;  // the closing quote
  const uint8_t* const dataEnd = in.FData + in.FSize;
  const uint64_t head = LoadWord(from, length, dataEnd);
  const uint64_t tail = length > 8 ? LoadWord(from + length - 8, 8, dataEnd) : 0;
  const uint64_t hash = ((head ^ (tail * 0x9E3779B97F4A7C15ULL)) + length) * 0xBF58476D1CE4E5B9ULL;
  TNameCacheEntry& entry = FNameCache[hash >> 58];
  static_assert(NameCacheSize == 64);
  const char* bytes = reinterpret_cast<const char*>(from);
  if (entry.Bytes.size() != length || std::memcmp(entry.Bytes.constData(), bytes, length) != 0) {
    entry.Bytes = QByteArray(bytes, length);
    entry.Name = QString::fromLatin1(bytes, length);
  }
  return entry.Name;
}

void TKitJSONReader::SkipQuoted() {
  TKitJSONStreamReader& in = *FReader;
  const uint8_t* from = in.FData + in.FPos;
  const void* quote = std::memchr(from, '"', static_cast<size_t>(in.FSize - in.FPos));
  in.FPos = quote ? in.FPos + (static_cast<const uint8_t*>(quote) - from) + 1 : in.FSize;
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
  FPeeked = jstNone;
  return ReadQuotedName();
}

QString TKitJSONReader::PeekName() {
  if (PeekState() != jstDoubleQuotedName) InvalidState(jstDoubleQuotedName);
  const Int64 position = FReader->FPos;
  const QString name = ReadQuotedName();
  FReader->FPos = position;
  return name;
}

QString TKitJSONReader::ReadString() {
  QString result;
  switch (PeekState()) {
    case jstDoubleQuoted:
      FPeeked = jstNone;
      return ReadQuoted(true);
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
      const QString text = ReadQuoted(false);
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
      const QString text = ReadQuoted(false);
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
      double value;
      if (TryPeekedNumberToFloat(value)) {
        FPeeked = jstNone;
        return value;
      }
      FPeekedString = PeekedNumberText();
      break;
    }
    case jstDoubleQuoted:
      FPeekedString = ReadQuoted(false);
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
