#include "platform/rtl/NetEncoding.h"

#include <array>

#include "platform/rtl/Encoding.h"

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// ---------------------------------------------------------------------------
// Base64 with the RFC 4648 alphabet and "=" padding. Encoding breaks the
// output with CR LF after every LineLength characters (none when 0).
// Decoding skips every character outside the alphabet (line breaks, blanks,
// URL-safe "-" and "_"), stops at the first "=" and accepts missing padding;
// a single dangling sextet carries no whole byte and is dropped.

constexpr char kBase64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<int8_t, 256> MakeBase64Values() {
  std::array<int8_t, 256> values{};
  for (auto& v : values) v = -1;
  for (int i = 0; i < 64; ++i) values[static_cast<uint8_t>(kBase64Alphabet[i])] = static_cast<int8_t>(i);
  return values;
}

constexpr std::array<int8_t, 256> kBase64Values = MakeBase64Values();

class TBase64Encoding final : public TNetEncoding {
 public:
  explicit TBase64Encoding(int lineLength) : FLineLength(lineLength) {}

  TBytes EncodeBytes(const TBytes& input) const override {
    const auto* in = reinterpret_cast<const uint8_t*>(input.constData());
    const qsizetype n = input.size();
    TBytes result;
    result.reserve((n + 2) / 3 * 4 + (FLineLength > 0 ? (n / 57 + 1) * 2 : 0));
    qsizetype lineUsed = 0;
    auto put = [&](char c) {
      if (FLineLength > 0 && lineUsed == FLineLength) {
        result.append("\r\n", 2);
        lineUsed = 0;
      }
      result.append(c);
      ++lineUsed;
    };
    qsizetype i = 0;
    for (; i + 2 < n; i += 3) {
      const uint32_t v = (in[i] << 16) | (in[i + 1] << 8) | in[i + 2];
      put(kBase64Alphabet[(v >> 18) & 63]);
      put(kBase64Alphabet[(v >> 12) & 63]);
      put(kBase64Alphabet[(v >> 6) & 63]);
      put(kBase64Alphabet[v & 63]);
    }
    if (n - i == 1) {
      const uint32_t v = in[i] << 16;
      put(kBase64Alphabet[(v >> 18) & 63]);
      put(kBase64Alphabet[(v >> 12) & 63]);
      put('=');
      put('=');
    } else if (n - i == 2) {
      const uint32_t v = (in[i] << 16) | (in[i + 1] << 8);
      put(kBase64Alphabet[(v >> 18) & 63]);
      put(kBase64Alphabet[(v >> 12) & 63]);
      put(kBase64Alphabet[(v >> 6) & 63]);
      put('=');
    }
    return result;
  }

  TBytes DecodeBytes(const TBytes& input) const override {
    TBytes result;
    result.reserve(input.size() / 4 * 3 + 3);
    uint32_t bits = 0;
    int bitCount = 0;
    for (const char c : input) {
      if (c == '=') break;
      const int v = kBase64Values[static_cast<uint8_t>(c)];
      if (v < 0) continue;
      bits = (bits << 6) | static_cast<uint32_t>(v);
      bitCount += 6;
      if (bitCount >= 8) {
        bitCount -= 8;
        result.append(static_cast<char>((bits >> bitCount) & 0xFF));
      }
    }
    return result;
  }

 private:
  int FLineLength;
};

// ---------------------------------------------------------------------------
// URL (form) encoding of the UTF-8 bytes: unreserved characters stay, a blank
// becomes "+", every other byte %XX. Decoding turns "+" into a blank and %XX
// into its byte; a "%" not followed by two hexadecimal digits stays as written.

class TURLEncoding final : public TNetEncoding {
 public:
  TBytes EncodeBytes(const TBytes& input) const override {
    TBytes result;
    result.reserve(input.size() * 3);
    for (const char c : input) {
      if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
          c == '.' || c == '_' || c == '~') {
        result.append(c);
      } else if (c == ' ') {
        result.append('+');
      } else {
        const auto b = static_cast<uint8_t>(c);
        result.append('%');
        result.append(kHexDigits[b >> 4]);
        result.append(kHexDigits[b & 15]);
      }
    }
    return result;
  }

  TBytes DecodeBytes(const TBytes& input) const override {
    TBytes result;
    result.reserve(input.size());
    const qsizetype n = input.size();
    for (qsizetype i = 0; i < n; ++i) {
      const char c = input[i];
      if (c == '+') {
        result.append(' ');
      } else if (c == '%' && i + 2 < n && HexValue(input[i + 1]) >= 0 &&
                 HexValue(input[i + 2]) >= 0) {
        result.append(static_cast<char>(HexValue(input[i + 1]) * 16 + HexValue(input[i + 2])));
        i += 2;
      } else {
        result.append(c);
      }
    }
    return result;
  }
};

// ---------------------------------------------------------------------------
// HTML character encoding, on characters. Encoding escapes & < > and the
// double quote. Decoding knows &amp; &lt; &gt; &quot; and decimal character
// references (&#NNN;) of a valid code point (not 0, not a surrogate, at most
// U+10FFFF); anything else after an "&" stays as written. The text is read in
// one pass, so a decoded "&" never starts another reference.

class THTMLEncoding final : public TNetEncoding {
 public:
  TBytes EncodeBytes(const TBytes& input) const override {
    return TEncoding::UTF8()->GetBytes(DoEncodeText(TEncoding::UTF8()->GetString(input)));
  }
  TBytes DecodeBytes(const TBytes& input) const override {
    return TEncoding::UTF8()->GetBytes(DoDecodeText(TEncoding::UTF8()->GetString(input)));
  }

 protected:
  bool WorksOnText() const override { return true; }

  QString DoEncodeText(const QString& input) const override {
    QString result;
    result.reserve(input.size() + input.size() / 8);
    for (const QChar c : input) {
      switch (c.unicode()) {
        case '&': result += QLatin1StringView("&amp;"); break;
        case '<': result += QLatin1StringView("&lt;"); break;
        case '>': result += QLatin1StringView("&gt;"); break;
        case '"': result += QLatin1StringView("&quot;"); break;
        default: result += c;
      }
    }
    return result;
  }

  QString DoDecodeText(const QString& input) const override {
    static const std::pair<QLatin1StringView, QChar> kNamed[] = {
        {QLatin1StringView("&amp;"), QChar('&')},
        {QLatin1StringView("&lt;"), QChar('<')},
        {QLatin1StringView("&gt;"), QChar('>')},
        {QLatin1StringView("&quot;"), QChar('"')},
    };
    QString result;
    result.reserve(input.size());
    const qsizetype n = input.size();
    qsizetype i = 0;
    while (i < n) {
      const QChar c = input[i];
      if (c != QLatin1Char('&')) {
        result += c;
        ++i;
        continue;
      }
      const QStringView rest = QStringView(input).mid(i);
      qsizetype consumed = 0;
      for (const auto& [name, ch] : kNamed) {
        if (rest.startsWith(name)) {
          result += ch;
          consumed = name.size();
          break;
        }
      }
      if (consumed == 0) consumed = DecodeNumericReference(rest, result);
      if (consumed == 0) {
        result += c;
        consumed = 1;
      }
      i += consumed;
    }
    return result;
  }

 private:
  // Decodes "&#digits;" at the start of Text into Result; answers the number
  // of characters read, 0 when Text does not start with a valid reference.
  static qsizetype DecodeNumericReference(QStringView text, QString& result) {
    if (text.size() < 4 || text[1] != QLatin1Char('#')) return 0;
    char32_t value = 0;
    bool tooLarge = false;
    qsizetype i = 2;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
      value = value * 10 + (text[i].unicode() - '0');
      if (value > 0x10FFFF) {
        tooLarge = true;
        value = 0x110000;  // keeps the product small while digits follow
      }
    }
    if (i == 2 || i >= text.size() || text[i] != QLatin1Char(';')) return 0;
    if (tooLarge || value == 0 || QChar::isSurrogate(value)) return 0;
    if (QChar::requiresSurrogates(value)) {
      result += QChar(QChar::highSurrogate(value));
      result += QChar(QChar::lowSurrogate(value));
    } else {
      result += QChar(static_cast<char16_t>(value));
    }
    return i + 1;
  }
};

}  // namespace

// ---------------------------------------------------------------------------
// Shared instances

TNetEncoding& TNetEncoding::Base64() {
  static TBase64Encoding instance(76);
  return instance;
}

TNetEncoding& TNetEncoding::Base64String() {
  static TBase64Encoding instance(0);
  return instance;
}

TNetEncoding& TNetEncoding::URL() {
  static TURLEncoding instance;
  return instance;
}

TNetEncoding& TNetEncoding::HTML() {
  static THTMLEncoding instance;
  return instance;
}

// ---------------------------------------------------------------------------
// Text forms

QString TNetEncoding::Encode(const QString& input) const {
  if (WorksOnText()) return DoEncodeText(input);
  return EncodeBytesToString(TEncoding::UTF8()->GetBytes(input));
}

QString TNetEncoding::Decode(const QString& input) const {
  if (WorksOnText()) return DoDecodeText(input);
  return TEncoding::UTF8()->GetString(DecodeStringToBytes(input));
}

QString TNetEncoding::EncodeBytesToString(const TBytes& input) const {
  return TEncoding::UTF8()->GetString(EncodeBytes(input));
}

TBytes TNetEncoding::DecodeStringToBytes(const QString& input) const {
  return DecodeBytes(TEncoding::UTF8()->GetBytes(input));
}
