#pragma once
// TKitJSONReader: the pull parser with which object persistence reads JSON.
// The caller asks what comes next (Peek, HasNext, IsNull) and then consumes
// exactly that (ReadBeginObject, ReadName, ReadString, ReadInteger ...) or
// skips a whole value (SkipValue). A stack of scopes tells whether a name,
// a colon, a comma, a value or a closing bracket is due, so the document's
// structure is checked as it is read.
//
// The input is a private copy of the source stream's bytes, each byte one
// character of the ANSI code page (Windows-1252). Texts end at the first
// quote character (the writer escapes quotes as \u0022); names and texts are
// then decoded with TKitUtils::UnescapeString.

#include <QString>
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>

#include "foundation/KitTypes.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/System.h"

// The kind of the next token.
enum TKitJSONToken {
  jstoBeginObject,
  jstoEndObject,
  jstoBeginArray,
  jstoEndArray,
  jstoName,
  jstoBoolean,
  jstoNull,
  jstoText,
  jstoNumber,
  jstoEOF
};

// The character source of the reader: a private copy of a stream.
class TKitJSONStreamReader : public TObject {
 public:
  TF_KIT_JSON_OPERATIONS
  class EEndOfInputReached : public Exception {
   public:
    EEndOfInputReached() : Exception(QStringLiteral("End of JSON input reached.")) {}
  };

  // Copies Size bytes of aStream from its position, which must be its start
  // (elsewhere the source runs short and raises the run-time's EReadError),
  // and reads the copy from its beginning. A byte stream at its start hands
  // over its byte array, which it shares until it is written to next.
  explicit TKitJSONStreamReader(TStream* aStream);
  TKitJSONStreamReader(const TKitJSONStreamReader&) = delete;
  TKitJSONStreamReader& operator=(const TKitJSONStreamReader&) = delete;

  // The next character, or NUL at the end.
  QChar ReadChar() { return FPos < FSize ? QChar(ToChar(FData[FPos++])) : QChar(0); }
  // The next character without moving, or NUL at the end.
  QChar PeekChar() const { return FPos < FSize ? QChar(ToChar(FData[FPos])) : QChar(0); }
  // Like ReadChar, but raises EEndOfInputReached at the end.
  QChar NextChar() {
    if (FPos >= FSize) throw EEndOfInputReached();
    return QChar(ToChar(FData[FPos++]));
  }
  // Moves back one character (the argument is not used).
  void Backup(QChar c) {
    if (FPos > 0) --FPos;
  }
  // Moves forward Count characters (not beyond the end).
  void MoveNext(int Count) {
    if (Count > 0) FPos = std::min<Int64>(FPos + Count, FSize);
  }
  bool Eof() const { return FPos >= FSize; }

 private:
  friend class TKitJSONReader;

  char16_t ToChar(uint8_t b) const { return b < 0x80 ? char16_t(b) : FTable[b]; }

  TStream* FStream;        // the source, not owned
  TBytes FReadStream;      // the private copy of the source's bytes
  const char16_t* FTable;  // byte -> character of the ANSI code page
  const uint8_t* FData = nullptr;
  Int64 FSize = 0;
  Int64 FPos = 0;
};

class TKitJSONReader : public TObject {
 public:
  TF_KIT_JSON_OPERATIONS
  enum TKitJSONState {
    jstNone,
    jstBeginObject,
    jstEndObject,
    jstBeginArray,
    jstEndArray,
    jstTrue,
    jstFalse,
    jstNull,
    jstDoubleQuoted,
    jstBuffered,
    jstDoubleQuotedName,
    jstInt64,
    jstNumber,
    jstEOF
  };

  class EInvalidStateException : public Exception {
   public:
    explicit EInvalidStateException(TKitJSONState AExpected)
        : Exception(Format(QStringLiteral("Invalid Json parser state. Expected state: %d"),
                           {static_cast<int>(AExpected)})) {}
  };
#define TF_KIT_JSON_READER_ERROR(Name, Text)      \
  class Name : public Exception {                 \
   public:                                        \
    Name() : Exception(QStringLiteral(Text)) {}   \
  };
  TF_KIT_JSON_READER_ERROR(EUnterminatedArray, "Unterminated array")
  TF_KIT_JSON_READER_ERROR(EUnterminatedObject, "Unterminated object")
  TF_KIT_JSON_READER_ERROR(ENameExpected, "Name expected")
  TF_KIT_JSON_READER_ERROR(EColonExpected, "Colon expected")
  TF_KIT_JSON_READER_ERROR(EMultipleRootNotAllowed, "Multiple root values not allowed")
  TF_KIT_JSON_READER_ERROR(EExpectedValue, "Value expected but invalid character found")
  TF_KIT_JSON_READER_ERROR(EObjectOrArrayExpected, "Object or array expected as top-level value")
  TF_KIT_JSON_READER_ERROR(ETooManyDepthLevels, "Maximum level of nested structured reached.")
#undef TF_KIT_JSON_READER_ERROR

  // The stack holds the document scope plus at most 255 nested containers.
  static constexpr int MaxStackSize = 256;
  // A number's text, with the character that ends it, holds at most 255
  // characters.
  static constexpr int MaxNumberLength = 255;

  explicit TKitJSONReader(TStream* AStream);
  TKitJSONReader(const TKitJSONReader&) = delete;
  TKitJSONReader& operator=(const TKitJSONReader&) = delete;
  ~TKitJSONReader() override;

  TKitJSONToken Peek() { return TokenOf(PeekState()); }
  // False when the next token ends an object or an array.
  bool HasNext();
  bool IsNull() { return Peek() == jstoNull; }
  bool Eof() { return Peek() == jstoEOF; }

  void ReadBeginArray();
  void ReadEndArray();
  void ReadBeginObject();
  void ReadEndObject();
  // The member name, unescaped.
  QString ReadName();
  // The name of the member just recognised by Peek, without consuming it.
  QString PeekName();
  // A text, or the text of a number; unescaped.
  QString ReadString();
  bool ReadBoolean();
  void ReadNull();
  int ReadInteger();
  Int64 ReadInt64();
  // Numbers, and texts holding a number; "NAN", "INF" and "-INF" (the
  // writer's quoted forms of the values that have no JSON number) in any
  // case give the non-finite values.
  double ReadDouble();
  // Consumes the next value whole (an object or array with its content); at
  // a closing bracket it consumes that bracket.
  void SkipValue();

 private:
  enum TKitJSONScope : uint8_t {
    jscEmptyDocument,
    jscEmptyArray,
    jscEmptyObject,
    jscNonEmptyDocument,
    jscNonEmptyArray,
    jscNonEmptyObject,
    jscDanglingName
  };

  static TKitJSONToken TokenOf(TKitJSONState AState) {
    // The token of each state, in the order of TKitJSONState (DoPeek never
    // leaves jstNone).
    static constexpr TKitJSONToken kTokens[] = {
        jstoEOF,     jstoBeginObject, jstoEndObject, jstoBeginArray, jstoEndArray,
        jstoBoolean, jstoBoolean,     jstoNull,      jstoText,       jstoText,
        jstoName,    jstoNumber,      jstoNumber,    jstoEOF};
    static_assert(std::size(kTokens) == jstEOF + 1);
    return kTokens[AState];
  }
  TKitJSONState DoPeek();
  TKitJSONState PeekState() { return FPeeked != jstNone ? FPeeked : DoPeek(); }
  TKitJSONState PeekKeyword(int c);
  // A number at the position: the common forms are recognised in one pass,
  // anything else (long or malformed numbers) by PeekNumberByStates.
  TKitJSONState PeekNumber();
  TKitJSONState PeekNumberByStates();
  // A cache of recent short texts, so that a text that comes again (a
  // member name, a type name, a colour) is handed out again as the same
  // string instead of being decoded anew. An entry keeps the text's bytes
  // as four words, zero beyond its length, so that a lookup compares words.
  struct TTextCacheEntry {
    uint64_t Words[4] = {};
    qsizetype Length = -1;
    bool Kept = false;  // Text holds the text (seen more than once)
    QString Text;
  };
  static constexpr int TextCacheSize = 64;
  static constexpr int TextCacheMaxLength = 32;
  using TTextCache = TTextCacheEntry[TextCacheSize];
  // Consumes the characters up to the next quote and the quote (or up to
  // the end of the input); the raw text, or with AUnescape the decoded one.
  // A short text with neither escapes nor bytes from 0x80 up comes from
  // ACache, or with AIntern from the program's table of interned names.
  QString ReadQuoted(bool AUnescape, TTextCache& ACache, bool AIntern = false);
  void SkipQuoted();
  void Push(TKitJSONScope AScope);
  void Pop();
  QString PeekedNumberText() const;
  // The number's value by the run-time's float conversion; false when the
  // conversion refuses the text.
  bool TryPeekedNumberToFloat(double& AValue) const;
  [[noreturn]] void InvalidState(TKitJSONState AExpected) const;

  std::unique_ptr<TKitJSONStreamReader> FReader;
  uint8_t FStack[MaxStackSize] = {};
  int FStackSize = 0;
  TKitJSONState FPeeked = jstNone;
  Int64 FPeekedInt64 = 0;
  // The text of a recognised non-integer number: where it starts in the
  // private copy of the input, and its length (below MaxNumberLength).
  Int64 FPeekedNumberStart = 0;
  int FPeekedNumberLength = 0;
  // Its value as significand * 10^exponent, when both are exact doubles
  // (then one multiplication or division rounds correctly).
  bool FPeekedNumberExact = false;
  bool FPeekedNegative = false;
  uint64_t FPeekedSignificand = 0;
  int FPeekedExponent = 0;
  QString FPeekedString;

  // Member names and texts have caches of their own, so that unique texts
  // do not push the names out.
  TTextCache FNameCache;
  TTextCache FTextCache;
};
