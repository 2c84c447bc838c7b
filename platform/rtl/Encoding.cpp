#include "platform/rtl/Encoding.h"

#include <array>

#include "platform/rtl/SysUtils.h"

namespace {

constexpr char16_t kReplacementChar = 0xFFFD;

// Windows-1252 bytes 0x80..0x9F. The five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1 control
// characters of the same number, as the system's own conversion does.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

constexpr std::array<char16_t, 256> MakeCp1252Table() {
  std::array<char16_t, 256> table{};
  for (int b = 0; b < 256; ++b)
    table[b] = (b >= 0x80 && b < 0xA0) ? kCp1252High[b - 0x80] : static_cast<char16_t>(b);
  return table;
}

// Byte -> UTF-16 code unit for every byte of Windows-1252.
constexpr std::array<char16_t, 256> kCp1252ToUnicode = MakeCp1252Table();

// Number of UTF-16 code units a character takes at position i: 2 for a valid
// surrogate pair, else 1 (a lone surrogate counts as one unmappable unit).
inline int CharLength(const QChar* s, qsizetype i, qsizetype n) {
  return (s[i].isHighSurrogate() && i + 1 < n && s[i + 1].isLowSurrogate()) ? 2 : 1;
}

// ---------------------------------------------------------------------------
// Single-byte code pages with an own table; an unmappable character becomes
// "?" (one "?" per character, a surrogate pair being one character).

class TSingleByteEncoding : public TEncoding {
 public:
  TBytes GetBytes(const QString& s) const override {
    TBytes result(s.size(), Qt::Uninitialized);
    char* out = result.data();
    const QChar* in = s.constData();
    const qsizetype n = s.size();
    qsizetype written = 0;
    for (qsizetype i = 0; i < n;) {
      const int len = CharLength(in, i, n);
      out[written++] = static_cast<char>(len == 1 ? ToByte(in[i].unicode()) : '?');
      i += len;
    }
    result.truncate(written);
    return result;
  }
  QString GetString(const TBytes& bytes) const override {
    QString result(bytes.size(), Qt::Uninitialized);
    QChar* out = result.data();
    const auto* in = reinterpret_cast<const uint8_t*>(bytes.constData());
    for (qsizetype i = 0; i < bytes.size(); ++i) out[i] = QChar(ToChar(in[i]));
    return result;
  }
  bool IsSingleByte() const override { return true; }

 protected:
  virtual char16_t ToChar(uint8_t b) const = 0;
  // The byte for a UTF-16 code unit, "?" when the code page has none.
  virtual char ToByte(char16_t c) const = 0;
};

class TAnsiEncoding final : public TSingleByteEncoding {
 public:
  QString EncodingName() const override { return QStringLiteral("windows-1252"); }
  int CodePage() const override { return 1252; }

 protected:
  char16_t ToChar(uint8_t b) const override { return kCp1252ToUnicode[b]; }
  char ToByte(char16_t c) const override {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (int i = 0; i < 32; ++i)
      if (kCp1252High[i] == c) return static_cast<char>(0x80 + i);
    return '?';
  }
};

class TAsciiEncoding final : public TSingleByteEncoding {
 public:
  QString EncodingName() const override { return QStringLiteral("us-ascii"); }
  int CodePage() const override { return 20127; }

 protected:
  char16_t ToChar(uint8_t b) const override { return b < 0x80 ? b : u'?'; }
  char ToByte(char16_t c) const override { return c < 0x80 ? static_cast<char>(c) : '?'; }
};

// ---------------------------------------------------------------------------
// UTF-8. Decoding replaces every maximal ill-formed subsequence (overlong
// forms, encoded surrogates, values above U+10FFFF, truncated sequences,
// stray continuation bytes) with one U+FFFD; encoding writes a lone surrogate
// as U+FFFD.

class TUtf8Encoding final : public TEncoding {
 public:
  TBytes GetBytes(const QString& s) const override {
    TBytes result;
    result.reserve(s.size() * 3);
    const QChar* in = s.constData();
    const qsizetype n = s.size();
    for (qsizetype i = 0; i < n;) {
      char32_t c = in[i].unicode();
      if (CharLength(in, i, n) == 2) {
        c = QChar::surrogateToUcs4(in[i], in[i + 1]);
        i += 2;
      } else {
        if (QChar::isSurrogate(c)) c = kReplacementChar;
        ++i;
      }
      Append(result, c);
    }
    return result;
  }

  QString GetString(const TBytes& bytes) const override {
    QString result;
    result.reserve(bytes.size());
    const auto* in = reinterpret_cast<const uint8_t*>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
      const uint8_t lead = in[i];
      if (lead < 0x80) {
        result.append(QChar(lead));
        ++i;
        continue;
      }
      int extra;
      char32_t c;
      // Valid range of the first continuation byte; the others are 80..BF.
      uint8_t lo = 0x80, hi = 0xBF;
      if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1; c = lead & 0x1F;
      } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2; c = lead & 0x0F;
        if (lead == 0xE0) lo = 0xA0;  // no overlong forms
        if (lead == 0xED) hi = 0x9F;  // no surrogates
      } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3; c = lead & 0x07;
        if (lead == 0xF0) lo = 0x90;  // no overlong forms
        if (lead == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
      } else {
        result.append(QChar(kReplacementChar));
        ++i;
        continue;
      }
      ++i;
      int k = 0;
      for (; k < extra && i < n; ++k, ++i) {
        const uint8_t b = in[i];
        if (k == 0 ? (b < lo || b > hi) : (b < 0x80 || b > 0xBF)) break;
        c = (c << 6) | (b & 0x3F);
      }
      if (k < extra) {
        result.append(QChar(kReplacementChar));
      } else if (c >= 0x10000) {
        result.append(QChar(QChar::highSurrogate(c)));
        result.append(QChar(QChar::lowSurrogate(c)));
      } else {
        result.append(QChar(static_cast<char16_t>(c)));
      }
    }
    return result;
  }

  TBytes GetPreamble() const override { return TBytes("\xEF\xBB\xBF", 3); }
  QString EncodingName() const override { return QStringLiteral("utf-8"); }
  int CodePage() const override { return 65001; }

 private:
  static void Append(TBytes& out, char32_t c) {
    if (c < 0x80) {
      out.append(static_cast<char>(c));
    } else if (c < 0x800) {
      out.append(static_cast<char>(0xC0 | (c >> 6)));
      out.append(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.append(static_cast<char>(0xE0 | (c >> 12)));
      out.append(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.append(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.append(static_cast<char>(0xF0 | (c >> 18)));
      out.append(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.append(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.append(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
};

// ---------------------------------------------------------------------------
// UTF-16 in either byte order. Code units pass through unchanged (also lone
// surrogates); an odd trailing byte is dropped on decoding.

class TUtf16Encoding final : public TEncoding {
 public:
  explicit TUtf16Encoding(bool bigEndian) : FBigEndian(bigEndian) {}

  TBytes GetBytes(const QString& s) const override {
    TBytes result(s.size() * 2, Qt::Uninitialized);
    char* out = result.data();
    const QChar* in = s.constData();
    for (qsizetype i = 0; i < s.size(); ++i) {
      const char16_t c = in[i].unicode();
      const char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
      out[2 * i] = FBigEndian ? hi : lo;
      out[2 * i + 1] = FBigEndian ? lo : hi;
    }
    return result;
  }
  QString GetString(const TBytes& bytes) const override {
    const qsizetype n = bytes.size() / 2;
    QString result(n, Qt::Uninitialized);
    QChar* out = result.data();
    const auto* in = reinterpret_cast<const uint8_t*>(bytes.constData());
    for (qsizetype i = 0; i < n; ++i) {
      const uint8_t first = in[2 * i], second = in[2 * i + 1];
      out[i] = QChar(static_cast<char16_t>(FBigEndian ? (first << 8) | second
                                                      : (second << 8) | first));
    }
    return result;
  }
  TBytes GetPreamble() const override {
    return FBigEndian ? TBytes("\xFE\xFF", 2) : TBytes("\xFF\xFE", 2);
  }
  QString EncodingName() const override {
    return FBigEndian ? QStringLiteral("utf-16be") : QStringLiteral("utf-16le");
  }
  int CodePage() const override { return FBigEndian ? 1201 : 1200; }

 private:
  bool FBigEndian;
};

bool StartsWithPreamble(const TBytes& buffer, const TEncoding* encoding) {
  const TBytes preamble = encoding->GetPreamble();
  return !preamble.isEmpty() && buffer.startsWith(preamble);
}

}  // namespace

// ---------------------------------------------------------------------------
// Shared instances

TEncoding* TEncoding::ANSI() {
  static TAnsiEncoding instance;
  return &instance;
}

TEncoding* TEncoding::ASCII() {
  static TAsciiEncoding instance;
  return &instance;
}

TEncoding* TEncoding::UTF8() {
  static TUtf8Encoding instance;
  return &instance;
}

TEncoding* TEncoding::Unicode() {
  static TUtf16Encoding instance(false);
  return &instance;
}

TEncoding* TEncoding::BigEndianUnicode() {
  static TUtf16Encoding instance(true);
  return &instance;
}

TEncoding* TEncoding::Default() { return ANSI(); }

TEncoding* TEncoding::GetEncoding(int codePage) {
  switch (codePage) {
    case 1252: return ANSI();
    case 20127: return ASCII();
    case 65001: return UTF8();
    case 1200: return Unicode();
    case 1201: return BigEndianUnicode();
    default: return nullptr;
  }
}

TEncoding* TEncoding::GetEncodingByName(const QString& charset) {
  struct Alias {
    const char* name;
    TEncoding* (*instance)();
  };
  // Latin-1 is read as Windows-1252, as browsers do: documents labelled
  // ISO-8859-1 use the 0x80..0x9F range for the Windows characters.
  static const Alias kAliases[] = {
      {"utf-8", &UTF8},          {"utf8", &UTF8},
      {"windows-1252", &ANSI},   {"cp1252", &ANSI},
      {"iso-8859-1", &ANSI},     {"latin1", &ANSI},
      {"us-ascii", &ASCII},      {"ascii", &ASCII},
      {"utf-16", &Unicode},      {"utf-16le", &Unicode},
      {"utf-16be", &BigEndianUnicode},
  };
  const QString name = charset.trimmed();
  for (const Alias& alias : kAliases)
    if (name.compare(QLatin1StringView(alias.name), Qt::CaseInsensitive) == 0)
      return alias.instance();
  return nullptr;
}

// ---------------------------------------------------------------------------
// Shared operations

QString TEncoding::GetString(const TBytes& bytes, int index, int count) const {
  if (index < 0 || count < 0 || index > bytes.size() || count > bytes.size() - index)
    throw EEncodingError(QString::fromLatin1(RtlConsts::SInvalidSourceArray));
  return GetString(TBytes::fromRawData(bytes.constData() + index, count));
}

int TEncoding::GetBufferEncoding(const TBytes& buffer, TEncoding*& encoding,
                                 TEncoding* defaultEncoding) {
  if (encoding != nullptr)
    return StartsWithPreamble(buffer, encoding) ? static_cast<int>(encoding->GetPreamble().size())
                                                : 0;
  for (TEncoding* candidate : {UTF8(), Unicode(), BigEndianUnicode()}) {
    if (StartsWithPreamble(buffer, candidate)) {
      encoding = candidate;
      return static_cast<int>(candidate->GetPreamble().size());
    }
  }
  encoding = defaultEncoding != nullptr ? defaultEncoding : Default();
  return 0;
}

TBytes TEncoding::Convert(const TEncoding* source, const TEncoding* destination,
                          const TBytes& bytes) {
  // A null encoding stands for the default one, as everywhere an encoding is
  // passed.
  if (source == nullptr) source = Default();
  if (destination == nullptr) destination = Default();
  return destination->GetBytes(source->GetString(bytes));
}

bool TEncoding::IsStandardEncoding(const TEncoding* encoding) {
  return encoding != nullptr &&
         (encoding == ANSI() || encoding == ASCII() || encoding == UTF8() ||
          encoding == Unicode() || encoding == BigEndianUnicode());
}
