#include "foundation/KitJSONReader.h"

#include <array>
#include <atomic>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Scans sixteen bytes at a time where SSE2 is at hand, then eight at a time:
// ZeroBytes marks every zero byte exactly up to the first one (a byte above
// it may be marked falsely), so the lowest mark finds the first quote, and
// marks below it tell true backslashes. The last few bytes go one by one.
TKitTextScan ScanText(const uint8_t* p, const uint8_t* end) {
  bool backslash = false;
  uint64_t high = 0;
#if defined(__SSE2__)
  // Sixteen bytes at a time: one mask each for quotes, backslashes and high
  // bytes; the bits below the first quote tell what the text holds.
  {
    const __m128i quote = _mm_set1_epi8('"');
    const __m128i escape = _mm_set1_epi8('\\');
    unsigned highBits = 0;
    while (end - p >= 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      const unsigned quotes = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, quote)));
      const unsigned backslashes = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, escape)));
      const unsigned highs = static_cast<unsigned>(_mm_movemask_epi8(v));
      if (quotes) {
        const unsigned before = (quotes & (0u - quotes)) - 1;  // the bits below the lowest quote
        return {p + std::countr_zero(quotes), backslash || (backslashes & before) != 0,
                highBits != 0 || (highs & before) != 0};
      }
      backslash = backslash || backslashes != 0;
      highBits |= highs;
      p += 16;
    }
    high = highBits ? 0x80 : 0;
  }
#endif
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

// The first byte from P on that is no whitespace, or End.
const uint8_t* SkipWhitespace(const uint8_t* p, const uint8_t* end) {
#if defined(__SSE2__)
  // A line break and the indentation after it are measured sixteen bytes at
  // a time.
  const __m128i blank = _mm_set1_epi8(' ');
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i tab = _mm_set1_epi8('\t');
  const __m128i ff = _mm_set1_epi8('\f');
  while (end - p >= 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i white = _mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi8(v, blank), _mm_cmpeq_epi8(v, lf)),
        _mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_or_si128(_mm_cmpeq_epi8(v, tab), _mm_cmpeq_epi8(v, ff))));
    const unsigned other = ~static_cast<unsigned>(_mm_movemask_epi8(white)) & 0xFFFFu;
    if (other) return p + std::countr_zero(other);
    p += 16;
  }
#endif
  while (p < end) {
    if constexpr (std::endian::native == std::endian::little) {
      // A run of blanks is measured eight bytes at a time.
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
  return p;
}

}  // namespace

// ---------------------------------------------------------------------------
// TKitJSONStreamReader

TKitJSONStreamReader::TKitJSONStreamReader(TStream* aStream)
    : FStream(aStream), FTable(AnsiTable().data()) {
  const Int64 size = FStream->Size();
  auto* bytes = dynamic_cast<TBytesStream*>(FStream);
  if (bytes != nullptr && size > 0 && FStream->Position() == 0) {
    // The stream detaches its array before it changes it, so the shared
    // array stays as private as a copy would be.
    FReadStream = bytes->Bytes();
    FStream->SetPosition(size);
  } else if (size > 0) {
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

TKitJSONReader::TKitJSONState TKitJSONReader::DoPeek() {
  // The position is kept in a local while the token is recognised and
  // stored once, with the state, when it is known (or before an error).
  TKitJSONStreamReader& in = *FReader;
  const uint8_t* const data = in.FData;
  const uint8_t* const end = data + in.FSize;
  const uint8_t* p = data + in.FPos;
  // The next non-whitespace byte, not consumed; -1 when only whitespace
  // remains. Structural characters are ASCII, and no byte from 0x80 up is
  // one in the ANSI code page, so bytes compare as characters.
  const auto next = [&]() -> int {
    if (p < end && *p > ' ') return *p;  // most tokens follow the one before directly
    p = SkipWhitespace(p, end);
    return p < end ? *p : -1;
  };
  // The token ends before At.
  const auto token = [&](const uint8_t* at, TKitJSONState AState) {
    in.FPos = at - data;
    return FPeeked = AState;
  };
  const auto fail = [&] { in.FPos = p - data; };

  uint8_t& top = FStack[FStackSize - 1];
  const uint8_t scope = top;
  switch (scope) {
    case jscEmptyArray:
      top = jscNonEmptyArray;
      break;
    case jscNonEmptyArray: {
      const int c = next();
      if (c == u']') return token(p + 1, jstEndArray);
      if (c != u',') {
        fail();
        throw EUnterminatedArray();
      }
      ++p;
      break;
    }
    case jscEmptyObject:
    case jscNonEmptyObject: {
      top = jscDanglingName;
      if (scope == jscNonEmptyObject) {
        const int c = next();
        if (c == u'}') return token(p + 1, jstEndObject);
        if (c != u',') {
          fail();
          throw EUnterminatedObject();
        }
        ++p;
      }
      const int c = next();
      if (c == u'"') return token(p + 1, jstDoubleQuotedName);
      if (c == u'}' && scope == jscEmptyObject) return token(p + 1, jstEndObject);
      fail();
      throw ENameExpected();
    }
    case jscDanglingName: {
      top = jscNonEmptyObject;
      if (next() != u':') {
        fail();
        throw EColonExpected();
      }
      ++p;
      break;
    }
    case jscEmptyDocument:
      top = jscNonEmptyDocument;
      break;
    case jscNonEmptyDocument:
      if (next() < 0) return token(p, jstEOF);
      fail();
      throw EMultipleRootNotAllowed();
    default:
      break;
  }

  // A value is due.
  const int c = next();
  switch (c) {
    case u'"':
      if (FStackSize == 1) break;
      return token(p + 1, jstDoubleQuoted);
    case u'[':
      return token(p + 1, jstBeginArray);
    case u'{':
      return token(p + 1, jstBeginObject);
    case u']':
      if (scope == jscEmptyArray) return token(p + 1, jstEndArray);
      fail();
      throw EExpectedValue();
    default:
      break;
  }
  fail();
  if (FStackSize == 1) throw EObjectOrArrayExpected();
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

namespace {

inline bool IsDigit(uint8_t c) { return static_cast<uint8_t>(c - '0') <= 9; }

}  // namespace

TKitJSONReader::TKitJSONState TKitJSONReader::PeekNumber() {
  // The forms [-](0|[1-9][0-9]*)[.[0-9]+][(e|E)[+|-][0-9]+] followed by a
  // literal delimiter or the end, with fewer than 19 integer digits and
  // shorter than MaxNumberLength. Whatever else starts here (not a number,
  // a malformed or a too long one, an integer that may not fit) is left to
  // the character by character recognition, which decides as always.
  TKitJSONStreamReader& in = *FReader;
  const uint8_t* const begin = in.FData + in.FPos;
  const uint8_t* const end = in.FData + in.FSize;
  const uint8_t* p = begin;
  const bool negative = p < end && *p == '-';
  p += negative;
  const uint8_t* const integer = p;
  uint64_t significand = 0;
  while (p < end && IsDigit(*p)) significand = significand * 10 + (*p++ - '0');
  const auto integerDigits = static_cast<int>(std::min<qsizetype>(p - integer, 1000));
  if (integerDigits == 0 || integerDigits >= 19 || (*integer == '0' && integerDigits > 1))
    return PeekNumberByStates();
  int digits = integerDigits;
  int exponent = 0;
  bool integral = true;
  if (p < end && *p == '.') {
    const uint8_t* const fraction = ++p;
    while (p < end && IsDigit(*p)) significand = significand * 10 + (*p++ - '0');
    if (p == fraction) return PeekNumberByStates();
    const auto fractionDigits = static_cast<int>(std::min<qsizetype>(p - fraction, 1000));
    digits += fractionDigits;
    exponent = -fractionDigits;
    integral = false;
  }
  if (p < end && (*p == 'e' || *p == 'E')) {
    ++p;
    const bool negativeExponent = p < end && *p == '-';
    if (p < end && (*p == '-' || *p == '+')) ++p;
    const uint8_t* const exponentDigits = p;
    int value = 0;
    while (p < end && IsDigit(*p)) {
      if (value < 100000) value = value * 10 + (*p - '0');
      ++p;
    }
    if (p == exponentDigits) return PeekNumberByStates();
    exponent += negativeExponent ? -value : value;
    integral = false;
  }
  if (p - begin >= MaxNumberLength || (p < end && !IsLiteralDelimiter(*p))) return PeekNumberByStates();

  in.FPos = p - in.FData;
  if (integral) {  // at most 18 digits: the value fits
    FPeekedInt64 = negative ? -static_cast<Int64>(significand) : static_cast<Int64>(significand);
    return jstInt64;
  }
  FPeekedNumberStart = begin - in.FData;
  FPeekedNumberLength = static_cast<int>(p - begin);
  // Exact when the significand (at most 19 digits, so it did not wrap)
  // is an exact double and so is the power of ten.
  FPeekedNumberExact = digits <= 19 && significand <= (uint64_t{1} << 53) && exponent >= -22 && exponent <= 22;
  FPeekedSignificand = significand;
  FPeekedExponent = exponent;
  FPeekedNegative = negative;
  return jstNumber;
}

TKitJSONReader::TKitJSONState TKitJSONReader::PeekNumberByStates() {
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
    FPeekedNumberStart = start;
    FPeekedNumberLength = i;
    FPeekedNumberExact = false;
    return jstNumber;
  }
  throw EExpectedValue();
}

QString TKitJSONReader::PeekedNumberText() const {
  // A number's characters are ASCII.
  return QString::fromLatin1(reinterpret_cast<const char*>(FReader->FData + FPeekedNumberStart),
                             FPeekedNumberLength);
}

bool TKitJSONReader::TryPeekedNumberToFloat(double& AValue) const {
  // The number's text is JSON number syntax, which the run-time's conversion
  // reads like the standard one when the decimal separator is "."; any
  // other case, and overflow or underflow, goes through the run-time.
  if (FormatSettings.DecimalSeparator != u'.') return TryStrToFloat(PeekedNumberText(), AValue);

  if (FPeekedNumberExact) {
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const auto whole = static_cast<double>(FPeekedSignificand);
    AValue = FPeekedExponent < 0 ? whole / kPowers[-FPeekedExponent] : whole * kPowers[FPeekedExponent];
    if (FPeekedNegative) AValue = -AValue;
    return true;
  }

  const char* text = reinterpret_cast<const char*>(FReader->FData + FPeekedNumberStart);
  const auto [stop, error] = std::from_chars(text, text + FPeekedNumberLength, AValue);
  if (error == std::errc() && stop == text + FPeekedNumberLength) return true;
  return TryStrToFloat(PeekedNumberText(), AValue);
}

namespace {

// A short text (up to 32 bytes) as four words, zero beyond its length, and
// a hash of them.
struct TTextKey {
  uint64_t Words[4];
  qsizetype Length;
  uint64_t Hash;

  bool Matches(const uint64_t* AWords, qsizetype ALength) const {
    return ALength == Length && AWords[0] == Words[0] && AWords[1] == Words[1] && AWords[2] == Words[2] &&
           AWords[3] == Words[3];
  }
};

uint64_t HashOf(const TTextKey& AKey) {
  return ((AKey.Words[0] ^ std::rotl(AKey.Words[1], 17) ^ std::rotl(AKey.Words[2], 31) ^
           std::rotl(AKey.Words[3], 47)) + static_cast<uint64_t>(AKey.Length)) * 0x9E3779B97F4A7C15ULL;
}

// The key of the Length bytes at From; End is the end of the readable bytes.
TTextKey MakeTextKey(const uint8_t* from, qsizetype length, const uint8_t* end) {
  static constexpr uint8_t kKeep[64] = {
      0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
      0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  TTextKey key;
  key.Length = length;
  if (end - from >= 32) {
    // One load per word; the bytes beyond the text are masked off.
    const uint8_t* const keep = kKeep + 32 - length;
    for (int k = 0; k < 4; ++k) {
      uint64_t word, mask;
      std::memcpy(&word, from + 8 * k, 8);
      std::memcpy(&mask, keep + 8 * k, 8);
      key.Words[k] = word & mask;
    }
  } else {
    uint8_t bytes[32] = {};
    std::memcpy(bytes, from, static_cast<size_t>(length));
    std::memcpy(key.Words, bytes, 32);
  }
  key.Hash = HashOf(key);
  return key;
}

// Member names are few and come again and again, within a document and
// across documents, so short plain names are interned for the life of the
// program, as string literals are: the strings handed out refer to the
// table's characters, and copying them counts no references. The table is
// filled first come, first served and never changes an entry it has
// published, so readers in several threads look up without a lock; a name
// that finds no slot (the table is bounded) goes the ordinary way.
struct TInternedName {
  std::atomic<int> State{0};  // empty, being filled, ready
  int Length = 0;
  uint64_t Words[4] = {};
  char16_t Chars[33] = {};  // NUL-terminated
};

class TInternedNames {
 public:
  // The interned name for Key (whose bytes are at From), or nullptr.
  static const TInternedName* Find(const TTextKey& AKey, const uint8_t* AFrom) {
    const auto first = static_cast<int>(AKey.Hash >> (64 - kSizeBits));
    for (int probe = 0; probe < kProbes; ++probe) {
      TSlot& slot = Slots[(first + probe) & (kSize - 1)];
      int state = slot.State.load(std::memory_order_acquire);
      if (state == kEmpty) {
        if (slot.State.compare_exchange_strong(state, kFilling, std::memory_order_acquire)) {
          std::memcpy(slot.Words, AKey.Words, sizeof slot.Words);
          slot.Length = static_cast<int>(AKey.Length);
          for (qsizetype k = 0; k < AKey.Length; ++k) slot.Chars[k] = AFrom[k];
          slot.State.store(kReady, std::memory_order_release);
          return &slot;
        }
        // Another thread took the slot: see what it holds.
      }
      if (state == kReady && AKey.Matches(slot.Words, slot.Length)) return &slot;
    }
    return nullptr;
  }
  // The string of an interned name: it refers to the table's characters.
  static QString Text(const TInternedName& AName) {
    return QString::fromRawData(reinterpret_cast<const QChar*>(AName.Chars), AName.Length);
  }

 private:
  static constexpr int kSizeBits = 10;
  static constexpr int kSize = 1 << kSizeBits;
  static constexpr int kProbes = 4;
  enum { kEmpty, kFilling, kReady };
  using TSlot = TInternedName;
  static TSlot Slots[kSize];
};

TInternedName TInternedNames::Slots[TInternedNames::kSize];

}  // namespace

QString TKitJSONReader::ReadQuoted(bool AUnescape, TTextCache& ACache, bool AIntern) {
  TKitJSONStreamReader& in = *FReader;
  const uint8_t* const from = in.FData + in.FPos;
  const uint8_t* const dataEnd = in.FData + in.FSize;
  static_assert(TextCacheMaxLength == 32 && TextCacheSize == 64);

  // A short plain text (neither escapes nor bytes from 0x80 up) gets a key
  // for the caches.
  TKitTextScan scan;
  TTextKey key;
  bool keyed = false;
#if defined(__SSE2__)
  if (dataEnd - from >= 16) {
    // Most names and many texts end within sixteen bytes: one load finds
    // the quote, tells that the text is plain and gives its key.
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    const auto quotes = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('"'))));
    const auto special = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\\')), v)));  // backslashes, high bytes
    if (quotes != 0 && (special & ((quotes & (0u - quotes)) - 1)) == 0) {
      const int length = std::countr_zero(quotes);
      const __m128i keep = _mm_cmpgt_epi8(_mm_set1_epi8(static_cast<char>(length)),
                                          _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15));
      const __m128i bytes = _mm_and_si128(v, keep);
      key.Words[0] = static_cast<uint64_t>(_mm_cvtsi128_si64(bytes));
      key.Words[1] = static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(bytes, bytes)));
      key.Words[2] = key.Words[3] = 0;
      key.Length = length;
      key.Hash = HashOf(key);
      scan = {from + length, false, false};
      keyed = true;
    }
  }
#endif
  if (!keyed) {
    scan = ScanText(from, dataEnd);
    if (!scan.High && !scan.Backslash && scan.End - from <= TextCacheMaxLength) {
      key = MakeTextKey(from, scan.End - from, dataEnd);
      keyed = true;
    }
  }
  const auto length = static_cast<qsizetype>(scan.End - from);
  in.FPos += length < dataEnd - from ? length + 1 : length;  // with the closing quote

  if (keyed) {
    if (AIntern) {
      if (const TInternedName* name = TInternedNames::Find(key, from)) return TInternedNames::Text(*name);
    }
    // A text is kept from its second time on, so that texts that come once
    // cost no more than without the cache.
    TTextCacheEntry& entry = ACache[key.Hash >> 58];
    if (key.Matches(entry.Words, entry.Length)) {
      if (!entry.Kept) {
        entry.Text = QString::fromLatin1(reinterpret_cast<const char*>(from), length);
        entry.Kept = true;
      }
      return entry.Text;
    }
    std::memcpy(entry.Words, key.Words, sizeof entry.Words);
    entry.Length = length;
    if (entry.Kept) {
      entry.Text = QString();
      entry.Kept = false;
    }
    return QString::fromLatin1(reinterpret_cast<const char*>(from), length);
  }

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
  return ReadQuoted(true, FNameCache, true);
}

QString TKitJSONReader::PeekName() {
  if (PeekState() != jstDoubleQuotedName) InvalidState(jstDoubleQuotedName);
  const Int64 position = FReader->FPos;
  const QString name = ReadQuoted(true, FNameCache, true);
  FReader->FPos = position;
  return name;
}

QString TKitJSONReader::ReadString() {
  QString result;
  switch (PeekState()) {
    case jstDoubleQuoted:
      FPeeked = jstNone;
      return ReadQuoted(true, FTextCache);
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
      const QString text = ReadQuoted(false, FTextCache);
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
      const QString text = ReadQuoted(false, FTextCache);
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
      FPeekedString = ReadQuoted(false, FTextCache);
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
