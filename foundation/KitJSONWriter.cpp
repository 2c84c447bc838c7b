#include "foundation/KitJSONWriter.h"

#include <QtDebug>
#include <cmath>

#include "foundation/KitUtils.h"
#include "platform/rtl/Encoding.h"

// ---------------------------------------------------------------------------
// TKitJSONStreamWriter

TKitJSONStreamWriter::TKitJSONStreamWriter(TStream* AStream)
    : FStream(AStream), FWriteStream(std::make_unique<TStringStream>(QString(), TEncoding::ANSI())) {}

TKitJSONStreamWriter::~TKitJSONStreamWriter() {
  try {
    FWriteStream->SetPosition(0);
    const Int64 size = FWriteStream->Size();
    if (size > 0) FStream->CopyFrom(FWriteStream.get(), size);
  } catch (const Exception& e) {
    qWarning().noquote() << "JSON text not delivered:" << e.Message();
  }
}

void TKitJSONStreamWriter::Write(const QString& Value) { FWriteStream->WriteString(Value); }

// ---------------------------------------------------------------------------
// TKitJSONWriter

TKitJSONWriter::TKitJSONWriter(TStream* AStream)
    : FWriter(std::make_unique<TKitJSONStreamWriter>(AStream)) {
  FStack[FStackSize++] = jscEmptyDocument;
}

TKitJSONWriter::~TKitJSONWriter() = default;

void TKitJSONWriter::SetIndentLength(int Value) {
  if (Value > 0) {
    FIndent = QString(Value, u' ');
    FSeparator = QStringLiteral(": ");
  } else {
    FIndent.clear();
    FSeparator = QStringLiteral(":");
  }
}

void TKitJSONWriter::Push(TKitJSONScope AScope) {
  if (FStackSize >= MaxStackSize) throw ETooManyDepthLevels();
  FStack[FStackSize++] = AScope;
}

TKitJSONWriter::TKitJSONScope TKitJSONWriter::Top() const {
  if (FStackSize == 0) throw EEmptyJson();
  return static_cast<TKitJSONScope>(FStack[FStackSize - 1]);
}

void TKitJSONWriter::ReplaceTop(TKitJSONScope AScope) {
  if (FStackSize == 0) throw EEmptyJson();
  FStack[FStackSize - 1] = AScope;
}

void TKitJSONWriter::NewLine() {
  if (FIndent.isEmpty()) return;
  QString text = QStringLiteral("\r\n");
  for (int i = 1; i < FStackSize; ++i) text += FIndent;
  FWriter->Write(text);
}

void TKitJSONWriter::WriteDeferredName() {
  if (FDeferredName.isEmpty()) return;
  const TKitJSONScope top = Top();
  if (top == jscNonEmptyObject) FWriter->Write(QStringLiteral(","));
  else if (top != jscEmptyObject) throw ECannotWriteName();
  NewLine();
  ReplaceTop(jscDanglingName);
  FWriter->Write(u'"' + TKitUtils::EscapeString(FDeferredName) + u'"');
  FDeferredName.clear();
}

void TKitJSONWriter::BeforeValue(bool AContainer) {
  switch (Top()) {
    case jscEmptyDocument:
      if (!AContainer) throw EObjectOrArrayExpected();
      ReplaceTop(jscNonEmptyDocument);
      break;
    case jscEmptyArray:
      ReplaceTop(jscNonEmptyArray);
      NewLine();
      break;
    case jscNonEmptyArray:
      FWriter->Write(QStringLiteral(","));
      NewLine();
      break;
    case jscDanglingName:
      FWriter->Write(FSeparator);
      ReplaceTop(jscNonEmptyObject);
      break;
    case jscNonEmptyDocument:
      throw EMultipleRootNotAllowed();
    case jscEmptyObject:
    case jscNonEmptyObject:
      throw EInvalidNesting();
  }
}

TKitJSONWriter& TKitJSONWriter::Open(TKitJSONScope AScope, const QString& ABracket) {
  WriteDeferredName();
  BeforeValue(true);
  Push(AScope);
  FWriter->Write(ABracket);
  return *this;
}

TKitJSONWriter& TKitJSONWriter::CloseScope(TKitJSONScope AEmpty, TKitJSONScope ANonEmpty,
                                           const QString& ABracket) {
  const TKitJSONScope top = Top();
  if (top != AEmpty && top != ANonEmpty) throw EInvalidNesting();
  if (!FDeferredName.isEmpty()) throw EMissingValue();
  --FStackSize;
  if (top == ANonEmpty) NewLine();
  FWriter->Write(ABracket);
  return *this;
}

TKitJSONWriter& TKitJSONWriter::WriteBeginObject() { return Open(jscEmptyObject, QStringLiteral("{")); }

TKitJSONWriter& TKitJSONWriter::WriteEndObject() {
  return CloseScope(jscEmptyObject, jscNonEmptyObject, QStringLiteral("}"));
}

TKitJSONWriter& TKitJSONWriter::WriteBeginArray() { return Open(jscEmptyArray, QStringLiteral("[")); }

TKitJSONWriter& TKitJSONWriter::WriteEndArray() {
  return CloseScope(jscEmptyArray, jscNonEmptyArray, QStringLiteral("]"));
}

TKitJSONWriter& TKitJSONWriter::WriteName(const QString& Name) {
  if (Name.isEmpty()) throw EEmptyName();
  if (!FDeferredName.isEmpty()) throw EMissingValue();
  if (FStackSize == 0) throw EEmptyJson();
  FDeferredName = Name;
  return *this;
}

void TKitJSONWriter::WriteScalar(const QString& AText) {
  WriteDeferredName();
  BeforeValue(false);
  FWriter->Write(AText);
}

TKitJSONWriter& TKitJSONWriter::WriteString(const QString& Value) {
  WriteScalar(u'"' + TKitUtils::EscapeString(Value) + u'"');
  return *this;
}

TKitJSONWriter& TKitJSONWriter::WriteRawString(const QString& Value) {
  WriteScalar(u'"' + Value + u'"');
  return *this;
}

TKitJSONWriter& TKitJSONWriter::WriteBoolean(bool Value) {
  WriteScalar(Value ? QStringLiteral("true") : QStringLiteral("false"));
  return *this;
}

TKitJSONWriter& TKitJSONWriter::WriteNull() {
  WriteScalar(QStringLiteral("null"));
  return *this;
}

TKitJSONWriter& TKitJSONWriter::WriteInteger(Int64 Value) {
  WriteScalar(IntToStr(Value));
  return *this;
}

TKitJSONWriter& TKitJSONWriter::WriteDouble(double Value) {
  if (!std::isfinite(Value)) return WriteString(FloatToStr(Value));
  WriteScalar(FloatToStr(Value));
  return *this;
}

void TKitJSONWriter::Close() {
  if (FStackSize > 1 || Top() != jscNonEmptyDocument) throw EInvalidNesting();
  FClosed = true;
}
