#pragma once
// TKitJSONWriter: the streaming writer with which object persistence writes
// JSON. The caller issues begin/end, name and value calls in document order;
// the writer checks that they form one well-nested document whose root is an
// object or an array, and adds commas, separators, line breaks and
// indentation. Names and texts are escaped with TKitUtils::EscapeString.
//
// The text is collected in TKitJSONStreamWriter's private buffer and handed
// to the target stream, in the ANSI code page, when the writer is destroyed
// (also when it is destroyed while an exception passes).

#include <QString>
#include <cstdint>
#include <memory>

#include "foundation/KitTypes.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/System.h"

class TKitJSONStreamWriter : public TObject {
 public:
  TF_KIT_JSON_OPERATIONS
  explicit TKitJSONStreamWriter(TStream* AStream);
  TKitJSONStreamWriter(const TKitJSONStreamWriter&) = delete;
  TKitJSONStreamWriter& operator=(const TKitJSONStreamWriter&) = delete;
  // Copies the whole buffer to the target stream at its position. A target
  // that refuses the bytes is reported on the debug channel: a destructor
  // cannot raise.
  ~TKitJSONStreamWriter() override;

  // Appends the text, converted to the ANSI code page.
  void Write(const QString& Value);

 private:
  TStream* FStream;                            // the target, not owned
  std::unique_ptr<TStringStream> FWriteStream;  // the buffer
};

class TKitJSONWriter : public TObject {
 public:
  TF_KIT_JSON_OPERATIONS
#define TF_KIT_JSON_WRITER_ERROR(Name, Text)    \
  class Name : public Exception {               \
   public:                                      \
    Name() : Exception(QStringLiteral(Text)) {} \
  };
  TF_KIT_JSON_WRITER_ERROR(ECannotWriteName, "Cannot write name in current Json scope")
  TF_KIT_JSON_WRITER_ERROR(EMultipleRootNotAllowed, "Multiple root values not allowed")
  TF_KIT_JSON_WRITER_ERROR(EObjectOrArrayExpected, "Object or array expected as top-level value")
  TF_KIT_JSON_WRITER_ERROR(EInvalidNesting, "Invalid nesting. Not all arrays/objects were properly closed.")
  TF_KIT_JSON_WRITER_ERROR(EMissingValue, "Json value missing")
  TF_KIT_JSON_WRITER_ERROR(ETooManyDepthLevels, "Maximum level of nested structured reached.")
  TF_KIT_JSON_WRITER_ERROR(EEmptyJson, "Json is still empty. Cannot perform operation.")
  TF_KIT_JSON_WRITER_ERROR(EEmptyName, "Cannot write empty name")
#undef TF_KIT_JSON_WRITER_ERROR

  // The stack holds the document scope plus at most 255 nested containers.
  static constexpr int MaxStackSize = 256;

  explicit TKitJSONWriter(TStream* AStream);
  TKitJSONWriter(const TKitJSONWriter&) = delete;
  TKitJSONWriter& operator=(const TKitJSONWriter&) = delete;
  // Frees the stream writer, which delivers the text.
  ~TKitJSONWriter() override;

  // Blanks per level; 0 (the default) writes everything on one line.
  int IndentLength() const { return static_cast<int>(FIndent.size()); }
  void SetIndentLength(int Value);

  TKitJSONWriter& WriteBeginObject();
  TKitJSONWriter& WriteEndObject();
  TKitJSONWriter& WriteBeginArray();
  TKitJSONWriter& WriteEndArray();
  // Keeps the name until the next value or container is written.
  TKitJSONWriter& WriteName(const QString& Name);
  TKitJSONWriter& WriteString(const QString& Value);
  // A text written between quotes without escaping.
  TKitJSONWriter& WriteRawString(const QString& Value);
  TKitJSONWriter& WriteBoolean(bool Value);
  TKitJSONWriter& WriteNull();
  TKitJSONWriter& WriteInteger(Int64 Value);
  // The run-time's general float text with the global format settings; NaN
  // and the infinities, which JSON numbers cannot hold, are written as the
  // texts "NAN", "INF" and "-INF", which the reader's ReadDouble accepts.
  TKitJSONWriter& WriteDouble(double Value);
  // Checks that the document is complete.
  void Close();
  bool Closed() const { return FClosed; }

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

  void WriteDeferredName();
  void BeforeValue(bool AContainer);
  void NewLine();
  TKitJSONWriter& Open(TKitJSONScope AScope, const QString& ABracket);
  TKitJSONWriter& CloseScope(TKitJSONScope AEmpty, TKitJSONScope ANonEmpty, const QString& ABracket);
  void Push(TKitJSONScope AScope);
  TKitJSONScope Top() const;
  void ReplaceTop(TKitJSONScope AScope);
  void WriteScalar(const QString& AText);

  std::unique_ptr<TKitJSONStreamWriter> FWriter;
  uint8_t FStack[MaxStackSize] = {};
  int FStackSize = 0;
  QString FIndent;
  QString FSeparator = QStringLiteral(":");
  QString FDeferredName;
  bool FClosed = false;
};
