// Component streaming: TWriter, TReader and the component hooks that use
// them.

#include "platform/rtl/ComponentStreaming.h"

#include <QMetaType>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/rtl/MessageText.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/SysUtils.h"

namespace {

// Deeper nesting of components, collections and lists than this is taken
// for a damaged stream (it would otherwise exhaust the stack).
constexpr int kMaxNesting = 256;

[[noreturn]] void RaiseReadError() { throw EReadError(QString::fromUtf8(RtlConsts::SReadError)); }
[[noreturn]] void RaiseInvalidImage() { throw EReadError(QString::fromUtf8(RtlConsts::SInvalidImage)); }
[[noreturn]] void RaiseWriteError() { throw EWriteError(QString::fromUtf8(RtlConsts::SWriteError)); }

struct TDepthGuard {
  int& Depth;
  explicit TDepthGuard(int& depth) : Depth(depth) {
    if (++Depth > kMaxNesting) {
      --Depth;
      RaiseInvalidImage();
    }
  }
  ~TDepthGuard() { --Depth; }
  TDepthGuard(const TDepthGuard&) = delete;
  TDepthGuard& operator=(const TDepthGuard&) = delete;
};

template <class T>
void PutLE(TStream* stream, T value) {
  unsigned char bytes[sizeof(T)];
  std::memcpy(bytes, &value, sizeof(T));
  if constexpr (std::endian::native == std::endian::big)
    for (size_t i = 0; i < sizeof(T) / 2; ++i) std::swap(bytes[i], bytes[sizeof(T) - 1 - i]);
  stream->WriteBuffer(bytes, sizeof(T));
}

template <class T>
T GetLE(TStream* stream) {
  unsigned char bytes[sizeof(T)];
  stream->ReadBuffer(bytes, sizeof(T));
  if constexpr (std::endian::native == std::endian::big)
    for (size_t i = 0; i < sizeof(T) / 2; ++i) std::swap(bytes[i], bytes[sizeof(T) - 1 - i]);
  T value;
  std::memcpy(&value, bytes, sizeof(T));
  return value;
}

// 80-bit extended precision: 64-bit mantissa with explicit leading bit,
// 15-bit exponent biased by 16383, sign bit; little-endian.
void DoubleToExtended(double value, unsigned char out[10]) {
  uint64_t mantissa = 0;
  uint16_t exponent = 0;
  if (std::isnan(value)) {
    exponent = 0x7FFF;
    mantissa = 0xC000000000000000ull;
  } else if (std::isinf(value)) {
    exponent = 0x7FFF;
    mantissa = 0x8000000000000000ull;
  } else if (value != 0) {
    int e = 0;
    const double fraction = std::frexp(std::fabs(value), &e);  // in [0.5, 1)
    mantissa = static_cast<uint64_t>(std::ldexp(fraction, 64));
    exponent = static_cast<uint16_t>(e - 1 + 16383);
  }
  if (std::signbit(value)) exponent |= 0x8000;
  for (int i = 0; i < 8; ++i) out[i] = static_cast<unsigned char>(mantissa >> (8 * i));
  out[8] = static_cast<unsigned char>(exponent & 0xFF);
  out[9] = static_cast<unsigned char>(exponent >> 8);
}

double ExtendedToDouble(const unsigned char in[10]) {
  uint64_t mantissa = 0;
  for (int i = 0; i < 8; ++i) mantissa |= static_cast<uint64_t>(in[i]) << (8 * i);
  const int signExponent = in[8] | (in[9] << 8);
  const bool negative = (signExponent & 0x8000) != 0;
  const int exponent = signExponent & 0x7FFF;
  double value;
  if (exponent == 0x7FFF)
    value = (mantissa << 1) == 0 ? std::numeric_limits<double>::infinity()
                                 : std::numeric_limits<double>::quiet_NaN();
  else if (mantissa == 0)
    value = 0.0;
  else
    value = std::ldexp(static_cast<double>(mantissa), exponent - 16383 - 63);
  return negative ? -value : value;
}

bool IsIntegerValue(TValueType value) {
  return value == vaInt8 || value == vaInt16 || value == vaInt32 || value == vaInt64;
}

bool IsDateTypeName(const QString& name) {
  return name == QLatin1String("TDateTime") || name == QLatin1String("TDate") ||
         name == QLatin1String("TTime");
}

}  // namespace

// ---------------------------------------------------------------------------
// Component hooks

void TComponent::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  const QList<TComponent*> children = FComponents;  // Proc may not change the list under us
  for (TComponent* child : children) Proc(child);
}

void TComponent::ReadState(TReader* Reader) { Reader->ReadData(this); }

void TComponent::WriteState(TWriter* Writer) { Writer->WriteData(this); }

void TStream::WriteComponent(TComponent* Instance) {
  TWriter writer(this);
  writer.WriteRootComponent(Instance);
}

TComponent* TStream::ReadComponent(TComponent* Instance) {
  TReader reader(this);
  return reader.ReadRootComponent(Instance);
}

std::unique_ptr<TComponent> TStream::ReadComponent() {
  TReader reader(this);
  return reader.ReadRootComponent();
}

// ---------------------------------------------------------------------------
// TWriter

void TWriter::Write(const void* Buffer, Int64 Count) { FStream->WriteBuffer(Buffer, Count); }

void TWriter::WriteValue(TValueType Value) {
  const Byte b = Value;
  Write(&b, 1);
}

void TWriter::WriteSignature() { Write(FilerSignature, sizeof(FilerSignature)); }

void TWriter::WriteRootComponent(TComponent* Root) {
  if (Root == nullptr) throw EInvalidOperation(QString::fromUtf8(RtlConsts::SInvalidOperation));
  FRoot = Root;
  FLookupRoot = Root;
  WriteSignature();
  WriteComponent(Root);
}

void TWriter::WriteComponent(TComponent* Component) {
  if (FRoot == nullptr) {
    FRoot = Component;
    FLookupRoot = Component;
  }
  const bool wasWriting = Component->ComponentState().Contains(csWriting);
  Component->SetComponentStateFlag(csWriting, true);
  try {
    Component->WriteState(this);
  } catch (...) {
    if (!wasWriting) Component->SetComponentStateFlag(csWriting, false);
    throw;
  }
  if (!wasWriting) Component->SetComponentStateFlag(csWriting, false);
}

void TWriter::WriteData(TComponent* Instance) {
  const TClassInfo* cls = ClassInfoOf(Instance);
  // A class without a published table could not be created again by name.
  if (cls == nullptr) throw EClassNotFound(MessageText(RtlConsts::SClassNotFound, {Instance->ClassName()}));
  const QString savedPath = FPropPath;
  FPropPath.clear();
  WriteStr(cls->ClassName());
  WriteStr(Instance->Name());
  WriteProperties(Instance);
  WriteListEnd();
  Instance->GetChildren([this](TComponent* Child) { WriteComponent(Child); }, FRoot);
  WriteListEnd();
  FPropPath = savedPath;
}

void TWriter::WriteProperties(TPersistent* Instance) {
  // An object already being written further up (a cycle of nested objects)
  // is not written again.
  for (const TObject* o : FWritingObjects)
    if (o == Instance) return;
  FWritingObjects.push_back(Instance);
  try {
    for (const TPropInfo* prop : GetPropList(Instance)) WriteProperty(Instance, prop);
    Instance->DefineProperties(this);
  } catch (...) {
    FWritingObjects.pop_back();
    throw;
  }
  FWritingObjects.pop_back();
}

void TWriter::WritePropPath(const QString& Name) { WriteStr(FPropPath + Name); }

void TWriter::WriteProperty(TPersistent* Instance, const TPropInfo* PropInfo) {
  if (!PropInfo->IsStored(Instance)) return;
  const TTypeKind kind = PropInfo->Kind();
  const bool floatByPredicate = kind == tkFloat && PropInfo->HasStoredPredicate() &&
                                PropInfo->HasGetter() && PropInfo->HasSetter();
  if (!floatByPredicate && IsDefaultPropValue(Instance, PropInfo)) return;
  const QString& name = PropInfo->Name();
  switch (kind) {
    case tkInteger:
    case tkInt64:
      WritePropPath(name);
      WriteInteger(PropInfo->GetOrd(Instance));
      break;
    case tkChar:
    case tkWChar:
      WritePropPath(name);
      WriteChar(QChar(static_cast<char16_t>(PropInfo->GetOrd(Instance))));
      break;
    case tkEnumeration: {
      const QString ident = GetEnumName(PropInfo->PropType(), static_cast<int>(PropInfo->GetOrd(Instance)));
      if (ident.isEmpty()) RaiseWriteError();  // a value outside its enumeration
      WritePropPath(name);
      WriteIdent(ident);
      break;
    }
    case tkSet: {
      const TTypeInfo* element = PropInfo->PropType()->CompType();
      const uint64_t bits = static_cast<uint64_t>(PropInfo->GetOrd(Instance));
      WritePropPath(name);
      WriteValue(vaSet);
      for (int i = 0; i < 64; ++i) {
        if ((bits & (uint64_t{1} << i)) == 0) continue;
        const QString ident = element ? GetEnumName(element, i) : QString();
        if (ident.isEmpty()) RaiseWriteError();
        WriteStr(ident);
      }
      WriteStr(QString());
      break;
    }
    case tkFloat: {
      const double value = PropInfo->GetFloat(Instance);
      const TTypeInfo* type = PropInfo->PropType();
      WritePropPath(name);
      if (IsDateTypeName(type->Name()))
        WriteDate(value);
      else if (type->FloatType() == ftSingle)
        WriteSingle(static_cast<Single>(value));
      else if (type->FloatType() == ftCurr)
        WriteCurrency(value);
      else if (type->FloatType() == ftExtended)
        WriteFloat(value);
      else
        WriteDouble(value);
      break;
    }
    case tkString:
    case tkLString:
    case tkWString:
    case tkUString:
      WritePropPath(name);
      WriteString(PropInfo->GetStr(Instance));
      break;
    case tkVariant:
      WritePropPath(name);
      WriteVariant(PropInfo->GetVariant(Instance));
      break;
    case tkClass:
      WriteObjectValue(Instance, PropInfo, PropInfo->GetObject(Instance));
      break;
    case tkMethod: {
      // Only handlers bound from a published method of the root can be
      // named; other handlers (lambdas) are not written.
      const TMethod method = PropInfo->GetMethod(Instance);
      if (method.Code == nullptr || FLookupRoot == nullptr || method.Data != FLookupRoot) return;
      const QString methodName = MethodName(FLookupRoot, method.Code);
      if (methodName.isEmpty()) return;
      WritePropPath(name);
      WriteIdent(methodName);
      break;
    }
    default:
      break;
  }
}

QString TWriter::ComponentReference(TComponent* Component) const {
  if (FLookupRoot == nullptr) return QString();
  if (Component == FLookupRoot) return QStringLiteral("Owner");
  QStringList names;
  for (TComponent* c = Component; c != FLookupRoot; c = c->Owner()) {
    if (c == nullptr || c->Name().isEmpty()) return QString();  // outside the root, or unnamed
    names.prepend(c->Name());
  }
  return names.join(u'.');
}

void TWriter::WriteObjectValue(TPersistent* Instance, const TPropInfo* PropInfo, TObject* Value) {
  if (auto* component = dynamic_cast<TComponent*>(Value)) {
    const QString reference = ComponentReference(component);
    if (reference.isEmpty()) return;
    WritePropPath(PropInfo->Name());
    WriteValue(vaIdent);
    WriteStr(reference);
  } else if (auto* collection = dynamic_cast<TCollection*>(Value)) {
    WritePropPath(PropInfo->Name());
    WriteCollection(collection);
  } else if (auto* persistent = dynamic_cast<TPersistent*>(Value)) {
    const QString savedPath = FPropPath;
    FPropPath += PropInfo->Name() + u'.';
    try {
      WriteProperties(persistent);
    } catch (...) {
      FPropPath = savedPath;
      throw;
    }
    FPropPath = savedPath;
  }
}

void TWriter::WriteCollection(TCollection* Value) {
  WriteValue(vaCollection);
  const QString savedPath = FPropPath;
  FPropPath.clear();
  try {
    for (int i = 0; i < Value->Count(); ++i) {
      WriteListBegin();
      WriteProperties(Value->Items(i));
      WriteListEnd();
    }
  } catch (...) {
    FPropPath = savedPath;
    throw;
  }
  FPropPath = savedPath;
  WriteListEnd();
}

void TWriter::DefineProperty(const QString& Name, const TReaderProc& ReadData,
                             const TWriterProc& WriteData, bool HasData) {
  if (!HasData || !WriteData) return;
  WritePropPath(Name);
  WriteData(this);
}

void TWriter::DefineBinaryProperty(const QString& Name, const TStreamProc& ReadData,
                                   const TStreamProc& WriteData, bool HasData) {
  if (!HasData || !WriteData) return;
  TMemoryStream data;
  WriteData(&data);
  const Int64 size = data.Size();
  if (size > std::numeric_limits<int32_t>::max()) RaiseWriteError();
  WritePropPath(Name);
  WriteValue(vaBinary);
  PutLE<int32_t>(FStream, static_cast<int32_t>(size));
  if (size > 0) Write(data.Memory(), size);
}

void TWriter::WriteInteger(Int64 Value) {
  if (Value >= std::numeric_limits<int8_t>::min() && Value <= std::numeric_limits<int8_t>::max()) {
    WriteValue(vaInt8);
    PutLE<int8_t>(FStream, static_cast<int8_t>(Value));
  } else if (Value >= std::numeric_limits<int16_t>::min() && Value <= std::numeric_limits<int16_t>::max()) {
    WriteValue(vaInt16);
    PutLE<int16_t>(FStream, static_cast<int16_t>(Value));
  } else if (Value >= std::numeric_limits<int32_t>::min() && Value <= std::numeric_limits<int32_t>::max()) {
    WriteValue(vaInt32);
    PutLE<int32_t>(FStream, static_cast<int32_t>(Value));
  } else {
    WriteValue(vaInt64);
    PutLE<int64_t>(FStream, Value);
  }
}

void TWriter::WriteFloat(Extended Value) {
  unsigned char bytes[10];
  DoubleToExtended(Value, bytes);
  WriteValue(vaExtended);
  Write(bytes, sizeof(bytes));
}

void TWriter::WriteSingle(Single Value) {
  WriteValue(vaSingle);
  PutLE<float>(FStream, Value);
}

void TWriter::WriteDouble(double Value) {
  WriteValue(vaDouble);
  PutLE<double>(FStream, Value);
}

void TWriter::WriteCurrency(double Value) {
  const Int64 scaled = Round(Value * 10000.0);
  WriteValue(vaCurrency);
  PutLE<int64_t>(FStream, scaled);
}

void TWriter::WriteDate(TDateTime Value) {
  WriteValue(vaDate);
  PutLE<double>(FStream, Value);
}

void TWriter::WriteIdent(const QString& Ident) {
  if (Ident.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
    WriteValue(vaFalse);
  else if (Ident.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
    WriteValue(vaTrue);
  else if (Ident.compare(QLatin1String("nil"), Qt::CaseInsensitive) == 0)
    WriteValue(vaNil);
  else if (Ident.compare(QLatin1String("Null"), Qt::CaseInsensitive) == 0)
    WriteValue(vaNull);
  else {
    WriteValue(vaIdent);
    WriteStr(Ident);
  }
}

void TWriter::WriteStr(const QString& Value) {
  const QByteArray bytes = Value.toUtf8();
  if (bytes.size() > 255) RaiseWriteError();
  const Byte length = static_cast<Byte>(bytes.size());
  Write(&length, 1);
  if (length > 0) Write(bytes.constData(), length);
}

void TWriter::WriteString(const QString& Value) {
  bool ascii = true;
  for (QChar c : Value)
    if (c.unicode() >= 0x80) {
      ascii = false;
      break;
    }
  if (!ascii) {
    // Whichever of UTF-8 and UTF-16 is shorter.
    if (Value.toUtf8().size() < Value.size() * 2)
      WriteUTF8Str(Value);
    else
      WriteWideString(Value);
    return;
  }
  const QByteArray bytes = Value.toLatin1();
  if (bytes.size() <= 255) {
    WriteValue(vaString);
    const Byte length = static_cast<Byte>(bytes.size());
    Write(&length, 1);
  } else {
    if (bytes.size() > std::numeric_limits<int32_t>::max()) RaiseWriteError();
    WriteValue(vaLString);
    PutLE<int32_t>(FStream, static_cast<int32_t>(bytes.size()));
  }
  if (!bytes.isEmpty()) Write(bytes.constData(), bytes.size());
}

void TWriter::WriteUTF8Str(const QString& Value) {
  const QByteArray bytes = Value.toUtf8();
  if (bytes.size() > std::numeric_limits<int32_t>::max()) RaiseWriteError();
  WriteValue(vaUTF8String);
  PutLE<int32_t>(FStream, static_cast<int32_t>(bytes.size()));
  if (!bytes.isEmpty()) Write(bytes.constData(), bytes.size());
}

void TWriter::WriteWideString(const QString& Value) {
  if (Value.size() > std::numeric_limits<int32_t>::max() / 2) RaiseWriteError();
  WriteValue(vaWString);
  PutLE<int32_t>(FStream, static_cast<int32_t>(Value.size()));
  QByteArray bytes;
  bytes.reserve(Value.size() * 2);
  for (QChar c : Value) {
    bytes.append(static_cast<char>(c.unicode() & 0xFF));
    bytes.append(static_cast<char>(c.unicode() >> 8));
  }
  if (!bytes.isEmpty()) Write(bytes.constData(), bytes.size());
}

void TWriter::WriteVariant(const QVariant& Value) {
  if (!Value.isValid()) {
    WriteValue(vaNil);
    return;
  }
  switch (Value.typeId()) {
    case QMetaType::Nullptr:
      WriteValue(vaNull);
      break;
    case QMetaType::Bool:
      WriteBoolean(Value.toBool());
      break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Long:
    case QMetaType::LongLong:
      WriteInteger(Value.toLongLong());
      break;
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
      const qulonglong v = Value.toULongLong();
      if (v > static_cast<qulonglong>(std::numeric_limits<Int64>::max())) RaiseWriteError();
      WriteInteger(static_cast<Int64>(v));
      break;
    }
    case QMetaType::Float:
      WriteSingle(Value.toFloat());
      break;
    case QMetaType::Double:
      WriteDouble(Value.toDouble());
      break;
    case QMetaType::QString:
    case QMetaType::QChar:
      WriteString(Value.toString());
      break;
    default:
      RaiseWriteError();
  }
}

// ---------------------------------------------------------------------------
// TReader: values

void TReader::Read(void* Buffer, Int64 Count) { FStream->ReadBuffer(Buffer, Count); }

void TReader::SkipBytes(Int64 Count) {
  if (Count < 0 || Count > FStream->Size() - FStream->Position()) RaiseReadError();
  FStream->Seek(Count, soCurrent);
}

void TReader::PropValueError() const {
  throw EReadError(QString::fromUtf8(RtlConsts::SInvalidPropertyValue));
}

void TReader::PropertyError(const QString& Name) const {
  throw EReadError(MessageText(RtlConsts::SUnknownProperty, {Name}));
}

TValueType TReader::ReadValue() {
  Byte b = 0;
  Read(&b, 1);
  return static_cast<TValueType>(b);
}

TValueType TReader::NextValue() {
  const TValueType value = ReadValue();
  FStream->Seek(-1, soCurrent);
  return value;
}

void TReader::CheckValue(TValueType Value) {
  if (ReadValue() != Value) PropValueError();
}

Int64 TReader::ReadLength(int UnitSize) {
  const int32_t count = GetLE<int32_t>(FStream);
  if (count < 0 || static_cast<Int64>(count) * UnitSize > FStream->Size() - FStream->Position())
    RaiseReadError();
  return count;
}

QString TReader::ReadStr() {
  Byte length = 0;
  Read(&length, 1);
  QByteArray bytes(length, Qt::Uninitialized);
  if (length > 0) Read(bytes.data(), length);
  return QString::fromUtf8(bytes);
}

Int64 TReader::ReadIntegerData(TValueType Value) {
  switch (Value) {
    case vaInt8:
      return GetLE<int8_t>(FStream);
    case vaInt16:
      return GetLE<int16_t>(FStream);
    case vaInt32:
      return GetLE<int32_t>(FStream);
    case vaInt64:
      return GetLE<int64_t>(FStream);
    default:
      PropValueError();
  }
}

int TReader::ReadInteger() {
  const TValueType value = ReadValue();
  if (value == vaInt64) PropValueError();
  return static_cast<int>(ReadIntegerData(value));
}

Int64 TReader::ReadInt64() { return ReadIntegerData(ReadValue()); }

bool TReader::ReadBoolean() {
  const TValueType value = ReadValue();
  if (value == vaTrue) return true;
  if (value == vaFalse) return false;
  PropValueError();
}

QChar TReader::ReadChar() {
  const QString s = ReadString();
  if (s.size() != 1) PropValueError();
  return s.at(0);
}

Extended TReader::ReadFloat() {
  const TValueType value = ReadValue();
  switch (value) {
    case vaExtended: {
      unsigned char bytes[10];
      Read(bytes, sizeof(bytes));
      return ExtendedToDouble(bytes);
    }
    case vaDouble:
    case vaDate:
      return GetLE<double>(FStream);
    case vaSingle:
      return GetLE<float>(FStream);
    case vaCurrency:
      return static_cast<double>(GetLE<int64_t>(FStream)) / 10000.0;
    default:
      if (IsIntegerValue(value)) return static_cast<Extended>(ReadIntegerData(value));
      PropValueError();
  }
}

Single TReader::ReadSingle() {
  const TValueType value = ReadValue();
  if (value == vaSingle) return GetLE<float>(FStream);
  if (IsIntegerValue(value)) return static_cast<Single>(ReadIntegerData(value));
  PropValueError();
}

double TReader::ReadDouble() {
  const TValueType value = ReadValue();
  if (value == vaDouble) return GetLE<double>(FStream);
  if (IsIntegerValue(value)) return static_cast<double>(ReadIntegerData(value));
  PropValueError();
}

double TReader::ReadCurrency() {
  const TValueType value = ReadValue();
  if (value == vaCurrency) return static_cast<double>(GetLE<int64_t>(FStream)) / 10000.0;
  if (IsIntegerValue(value)) return static_cast<double>(ReadIntegerData(value));
  PropValueError();
}

TDateTime TReader::ReadDate() {
  const TValueType value = ReadValue();
  if (value == vaDate) return GetLE<double>(FStream);
  if (IsIntegerValue(value)) return static_cast<double>(ReadIntegerData(value));
  PropValueError();
}

QString TReader::ReadIdent() {
  switch (ReadValue()) {
    case vaIdent:
      return ReadStr();
    case vaFalse:
      return QStringLiteral("False");
    case vaTrue:
      return QStringLiteral("True");
    case vaNil:
      return QStringLiteral("nil");
    case vaNull:
      return QStringLiteral("Null");
    default:
      PropValueError();
  }
}

QString TReader::ReadString() {
  switch (ReadValue()) {
    case vaString:
      return ReadStr();
    case vaLString:
    case vaUTF8String: {
      const Int64 count = ReadLength(1);
      QByteArray bytes(count, Qt::Uninitialized);
      if (count > 0) Read(bytes.data(), count);
      return QString::fromUtf8(bytes);
    }
    case vaWString: {
      const Int64 count = ReadLength(2);
      QByteArray bytes(count * 2, Qt::Uninitialized);
      if (count > 0) Read(bytes.data(), count * 2);
      QString result(count, Qt::Uninitialized);
      QChar* out = result.data();
      const auto* in = reinterpret_cast<const unsigned char*>(bytes.constData());
      for (Int64 i = 0; i < count; ++i)
        out[i] = QChar(static_cast<char16_t>(in[2 * i] | (in[2 * i + 1] << 8)));
      return result;
    }
    default:
      PropValueError();
  }
}

QVariant TReader::ReadVariant() {
  const TValueType value = NextValue();
  switch (value) {
    case vaNil:
      ReadValue();
      return QVariant();
    case vaNull:
      ReadValue();
      return QVariant::fromValue(nullptr);
    case vaFalse:
    case vaTrue:
      return QVariant(ReadBoolean());
    case vaInt8:
    case vaInt16:
    case vaInt32:
      return QVariant(ReadInteger());
    case vaInt64:
      return QVariant(static_cast<qlonglong>(ReadInt64()));
    case vaSingle:
      return QVariant(ReadSingle());
    case vaExtended:
    case vaDouble:
    case vaDate:
    case vaCurrency:
      return QVariant(ReadFloat());
    case vaString:
    case vaLString:
    case vaWString:
    case vaUTF8String:
      return QVariant(ReadString());
    default:
      ReadValue();
      PropValueError();
  }
}

void TReader::SkipValue() {
  TDepthGuard depth(FNesting);
  const TValueType value = ReadValue();
  switch (value) {
    case vaNull:
    case vaFalse:
    case vaTrue:
    case vaNil:
      break;
    case vaList:
      while (!EndOfList()) SkipValue();
      ReadListEnd();
      break;
    case vaInt8:
      SkipBytes(1);
      break;
    case vaInt16:
      SkipBytes(2);
      break;
    case vaInt32:
    case vaSingle:
      SkipBytes(4);
      break;
    case vaInt64:
    case vaDouble:
    case vaDate:
    case vaCurrency:
      SkipBytes(8);
      break;
    case vaExtended:
      SkipBytes(10);
      break;
    case vaString:
    case vaIdent: {
      Byte length = 0;
      Read(&length, 1);
      SkipBytes(length);
      break;
    }
    case vaLString:
    case vaUTF8String:
    case vaBinary:
      SkipBytes(ReadLength(1));
      break;
    case vaWString:
      SkipBytes(ReadLength(2) * 2);
      break;
    case vaSet:
      while (!ReadStr().isEmpty()) {
      }
      break;
    case vaCollection:
      while (!EndOfList()) {
        if (IsIntegerValue(NextValue())) ReadInt64();
        ReadListBegin();
        while (!EndOfList()) {
          ReadStr();
          SkipValue();
        }
        ReadListEnd();
      }
      ReadListEnd();
      break;
    default:
      PropValueError();
  }
}

// ---------------------------------------------------------------------------
// TReader: components and properties

void TReader::ReadSignature() {
  char signature[sizeof(FilerSignature)];
  Read(signature, sizeof(signature));
  if (std::memcmp(signature, FilerSignature, sizeof(signature)) != 0) RaiseInvalidImage();
}

void TReader::ReadPrefix(TFilerFlags& Flags, int& AChildPos) {
  Flags = TFilerFlags();
  const Byte prefix = static_cast<Byte>(NextValue());
  if ((prefix & 0xF0) != 0xF0) return;
  ReadValue();
  Flags = TFilerFlags::FromBits(prefix & 0x07);
  if (Flags.Contains(ffChildPos)) AChildPos = ReadInteger();
}

TComponent* TReader::ReadRootComponent(TComponent* Root) {
  if (Root == nullptr) throw EInvalidOperation(QString::fromUtf8(RtlConsts::SInvalidOperation));
  ReadSignature();
  ReadRoot(Root);
  return Root;
}

std::unique_ptr<TComponent> TReader::ReadRootComponent() {
  ReadSignature();
  const Int64 start = FStream->Position();
  TFilerFlags flags;
  int childPos = 0;
  ReadPrefix(flags, childPos);
  const QString className = ReadStr();
  const TClassInfo* cls = GetClass(className);
  if (cls == nullptr || !cls->InheritsFrom(ClassInfo<TComponent>()))
    throw EClassNotFound(MessageText(RtlConsts::SClassNotFound, {className}));
  std::unique_ptr<TObject> instance = cls->Create();
  std::unique_ptr<TComponent> root(dynamic_cast<TComponent*>(instance.get()));
  if (!root) throw EClassNotFound(MessageText(RtlConsts::SClassNotFound, {className}));
  instance.release();
  FStream->SetPosition(start);
  ReadRoot(root.get());
  return root;
}

void TReader::ReadRoot(TComponent* Root) {
  FRoot = Root;
  FLookupRoot = Root;
  FLoaded.clear();
  FCreated.clear();
  FFixups.clear();
  FPropName.clear();
  Root->SetComponentStateFlag(csLoading, true);
  Root->SetComponentStateFlag(csReading, true);
  FLoaded.append(Root);
  try {
    TFilerFlags flags;
    int childPos = 0;
    ReadPrefix(flags, childPos);
    ReadStr();  // the class name: the instance given decides
    const QString name = ReadStr();
    Root->SetName(name);
    Root->ReadState(this);
    Root->SetComponentStateFlag(csReading, false);
    ResolveFixups();
  } catch (...) {
    // Children made by this read go (last first, so a child goes before its
    // owner); the others lose the states the read gave them.
    for (qsizetype i = FCreated.size() - 1; i >= 0; --i) {
      TComponent* child = FCreated.at(i);
      FLoaded.removeAll(child);
      delete child;
    }
    for (TComponent* c : FLoaded) {
      c->SetComponentStateFlag(csReading, false);
      c->SetComponentStateFlag(csLoading, false);
    }
    FCreated.clear();
    FLoaded.clear();
    FFixups.clear();
    throw;
  }
  const QList<TComponent*> loaded = FLoaded;
  FLoaded.clear();
  FCreated.clear();
  for (TComponent* c : loaded) c->Loaded();
}

void TReader::ReadData(TComponent* Instance) {
  TDepthGuard depth(FNesting);
  while (!EndOfList()) ReadProperty(Instance);
  ReadListEnd();
  while (!EndOfList()) ReadComponent(Instance);
  ReadListEnd();
}

TComponent* TReader::ReadComponent(TComponent* Parent) {
  TDepthGuard depth(FNesting);
  TFilerFlags flags;
  int childPos = -1;
  ReadPrefix(flags, childPos);
  const QString className = ReadStr();
  const QString name = ReadStr();
  TComponent* owner = Parent->GetChildOwner();
  if (owner == nullptr) owner = Parent;
  TComponent* component = nullptr;
  if (flags.Contains(ffInherited)) {
    component = owner->FindComponent(name);
    if (component == nullptr) throw EReadError(MessageText(RtlConsts::SAncestorNotFound, {name}));
    component->SetComponentStateFlag(csLoading, true);
    component->SetComponentStateFlag(csReading, true);
  } else {
    const TClassInfo* cls = GetClass(className);
    if (cls == nullptr || !cls->InheritsFrom(ClassInfo<TComponent>()))
      throw EClassNotFound(MessageText(RtlConsts::SClassNotFound, {className}));
    component = dynamic_cast<TComponent*>(cls->CreateOwned(owner));
    FCreated.append(component);
    component->SetComponentStateFlag(csLoading, true);
    component->SetComponentStateFlag(csReading, true);
    component->SetName(name);
  }
  if (flags.Contains(ffChildPos)) component->SetComponentIndex(childPos);
  FLoaded.append(component);
  component->ReadState(this);
  component->SetComponentStateFlag(csReading, false);
  return component;
}

void TReader::ReadProperty(TPersistent* Instance) {
  const QString path = ReadStr();
  const QStringList parts = path.split(u'.');
  TPersistent* target = Instance;
  for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
    const TPropInfo* prop = GetPropInfo(target, parts.at(i));
    if (prop == nullptr || prop->Kind() != tkClass || !prop->HasGetter()) PropertyError(path);
    target = dynamic_cast<TPersistent*>(prop->GetObject(target));
    if (target == nullptr) PropertyError(path);
  }
  const QString& last = parts.last();
  if (last.isEmpty()) PropertyError(path);
  const TPropInfo* prop = GetPropInfo(target, last);
  if (prop != nullptr && (prop->HasSetter() || (prop->Kind() == tkClass && prop->HasGetter()))) {
    ReadPropValue(target, prop, path);
    return;
  }
  FPropName = last;
  target->DefineProperties(this);
  if (!FPropName.isEmpty()) {
    FPropName.clear();
    PropertyError(path);
  }
}

void TReader::ReadPropValue(TPersistent* Instance, const TPropInfo* PropInfo, const QString& PropPath) {
  // A value its property refuses (out of range, of the wrong class or
  // signature) is a damaged stream for the reader.
  auto guarded = [this](auto&& set) {
    try {
      set();
    } catch (const ERangeError&) {
      PropValueError();
    } catch (const EPropertyError&) {
      PropValueError();
    }
  };
  switch (PropInfo->Kind()) {
    case tkInteger:
    case tkInt64: {
      const Int64 value = ReadInt64();
      guarded([&] { PropInfo->SetOrd(Instance, value); });
      break;
    }
    case tkChar:
    case tkWChar: {
      const QChar value = ReadChar();
      guarded([&] { PropInfo->SetOrd(Instance, value.unicode()); });
      break;
    }
    case tkEnumeration: {
      const int value = GetEnumValue(PropInfo->PropType(), ReadIdent());
      if (value < 0) PropValueError();
      guarded([&] { PropInfo->SetOrd(Instance, value); });
      break;
    }
    case tkSet: {
      CheckValue(vaSet);
      const TTypeInfo* element = PropInfo->PropType()->CompType();
      uint64_t bits = 0;
      for (;;) {
        const QString ident = ReadStr();
        if (ident.isEmpty()) break;
        const int value = element ? GetEnumValue(element, ident) : -1;
        if (value < 0 || value >= 64) PropValueError();
        bits |= uint64_t{1} << value;
      }
      guarded([&] { PropInfo->SetOrd(Instance, static_cast<Int64>(bits)); });
      break;
    }
    case tkFloat: {
      const double value = ReadFloat();
      guarded([&] { PropInfo->SetFloat(Instance, value); });
      break;
    }
    case tkString:
    case tkLString:
    case tkWString:
    case tkUString: {
      const QString value = ReadString();
      guarded([&] { PropInfo->SetStr(Instance, value); });
      break;
    }
    case tkVariant: {
      const QVariant value = ReadVariant();
      guarded([&] { PropInfo->SetVariant(Instance, value); });
      break;
    }
    case tkClass:
      ReadObjectValue(Instance, PropInfo, PropPath);
      break;
    case tkMethod: {
      TMethod method;
      if (NextValue() == vaNil) {
        ReadValue();
      } else {
        const QString name = ReadIdent();
        method.Code = FLookupRoot ? MethodAddress(FLookupRoot, name) : nullptr;
        if (method.Code == nullptr) PropValueError();
        method.Data = FLookupRoot;
      }
      guarded([&] { PropInfo->SetMethod(Instance, method); });
      break;
    }
    default:
      PropValueError();
  }
}

void TReader::ReadObjectValue(TPersistent* Instance, const TPropInfo* PropInfo, const QString& PropPath) {
  switch (ReadValue()) {
    case vaNil:
      if (!PropInfo->HasSetter()) PropValueError();
      PropInfo->SetObject(Instance, nullptr);
      break;
    case vaCollection: {
      auto* collection = dynamic_cast<TCollection*>(PropInfo->GetObject(Instance));
      if (collection == nullptr) PropValueError();
      ReadCollection(collection);
      break;
    }
    case vaIdent: {
      const QString name = ReadStr();
      if (!PropInfo->HasSetter()) PropValueError();
      // Resolved once the whole stream is read: the component may come later.
      FFixups.push_back({Instance, PropInfo, name});
      break;
    }
    default:
      PropValueError();
  }
}

void TReader::ReadCollection(TCollection* Collection) {
  TDepthGuard depth(FNesting);
  Collection->BeginUpdate();
  try {
    Collection->Clear();
    while (!EndOfList()) {
      if (IsIntegerValue(NextValue())) ReadInt64();  // an item index: items are read in order
      ReadListBegin();
      TCollectionItem* item = Collection->Add();
      while (!EndOfList()) ReadProperty(item);
      ReadListEnd();
    }
    ReadListEnd();
  } catch (...) {
    Collection->EndUpdate();
    throw;
  }
  Collection->EndUpdate();
}

TComponent* TReader::FindReference(const QString& Name) const {
  if (FLookupRoot == nullptr) return nullptr;
  if (Name.compare(QLatin1String("Owner"), Qt::CaseInsensitive) == 0) return FLookupRoot;
  TComponent* component = FLookupRoot;
  for (const QString& part : Name.split(u'.')) {
    component = component->FindComponent(part);
    if (component == nullptr) return nullptr;
  }
  return component;
}

void TReader::ResolveFixups() {
  // A reference to a component that is not there leaves the property as it
  // was.
  const std::vector<TFixup> fixups = std::move(FFixups);
  FFixups.clear();
  for (const TFixup& fixup : fixups) {
    TComponent* component = FindReference(fixup.Name);
    if (component == nullptr) continue;
    try {
      fixup.PropInfo->SetObject(fixup.Instance, component);
    } catch (const EPropertyError&) {
      PropValueError();
    }
  }
}

// ---------------------------------------------------------------------------
// TReader: defined properties

void TReader::DefineProperty(const QString& Name, const TReaderProc& ReadData,
                             const TWriterProc& WriteData, bool HasData) {
  if (FPropName.isEmpty() || !ReadData || FPropName.compare(Name, Qt::CaseInsensitive) != 0) return;
  FPropName.clear();
  ReadData(this);
}

void TReader::DefineBinaryProperty(const QString& Name, const TStreamProc& ReadData,
                                   const TStreamProc& WriteData, bool HasData) {
  if (FPropName.isEmpty() || !ReadData || FPropName.compare(Name, Qt::CaseInsensitive) != 0) return;
  FPropName.clear();
  CheckValue(vaBinary);
  const Int64 count = ReadLength(1);
  TMemoryStream data;
  data.SetSize(count);
  if (count > 0) Read(data.Memory(), count);
  data.SetPosition(0);
  ReadData(&data);
}
