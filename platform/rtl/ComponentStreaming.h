#pragma once
// Component streaming: the binary form in which components, their published
// properties, collections, nested objects and owned children are written to
// a stream and read back.
//
// Layout. A stream starts with the signature "TPF0". A component is
//   [prefix] class name, component name, properties..., vaNull,
//   children..., vaNull
// where names are short strings (one length byte, then UTF-8 bytes), the
// optional prefix byte is 0xF0 or-ed with the filer flags (followed by the
// child position as an integer value when ffChildPos is set), and each
// property is its name (a short string, "Font.Name" for a property of a
// nested object) followed by one value. A value is one TValueType byte and
// its data, little-endian:
//   vaInt8/vaInt16/vaInt32/vaInt64  1, 2, 4, 8 bytes (the smallest that fits)
//   vaExtended                      10 bytes (80-bit extended precision)
//   vaSingle 4, vaDouble 8, vaDate 8 (a TDateTime), vaCurrency 8 (value x 10000)
//   vaString                        short string (length byte + bytes)
//   vaLString, vaUTF8String         4-byte length + bytes
//   vaWString                       4-byte character count + UTF-16 units
//   vaIdent                         short string (enumeration value, method
//                                   or component name)
//   vaFalse, vaTrue, vaNil, vaNull  no data
//   vaSet                           short strings, ended by an empty one
//   vaList                          values up to vaNull
//   vaCollection                    items up to vaNull, each vaList,
//                                   properties, vaNull
//   vaBinary                        4-byte length + bytes
//
// What is written. Every published property whose stored rule holds and
// whose value differs from its default (see IsDefaultPropValue in TypInfo.h):
// ordinals equal to their declared default, empty strings, zero floats, null
// objects and unassigned events are left out. A float property whose stored
// rule is a predicate is written whenever the predicate holds, since the
// predicate stands for its default (a stroke width "stored when not 1" keeps
// a width of 0). Objects are written by what they are: a component as a
// reference to its name, a collection with its items, any other persistent
// object through its own properties under dotted names. Events bound to a
// published method of the root are written as the method's name. After the
// published properties come the data the object declares in
// DefineProperties.
//
// Reading. The reader sets csLoading and csReading on every component it
// reads, creates children by class name (EClassNotFound "Class %s not
// found"), resolves component references once the whole stream is read and
// then calls Loaded on each component, root first. Malformed data raises
// EReadError: "Stream read error" when the stream ends early or a length
// runs past its end, "Invalid stream format" for a wrong signature or a
// nesting deeper than the reader accepts, "Invalid property value" for a
// value that does not fit its property, "Property %s does not exist" for a
// name neither published nor defined. When reading fails, the components
// created by the read are deleted and the states it set are cleared.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/Collections.h"
#include "platform/rtl/Components.h"
#include "platform/rtl/Persistent.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/System.h"
#include "platform/rtl/TypInfo.h"

enum TValueType : Byte {
  vaNull,
  vaList,
  vaInt8,
  vaInt16,
  vaInt32,
  vaExtended,
  vaString,
  vaIdent,
  vaFalse,
  vaTrue,
  vaBinary,
  vaSet,
  vaLString,
  vaNil,
  vaCollection,
  vaSingle,
  vaCurrency,
  vaDate,
  vaWString,
  vaInt64,
  vaUTF8String,
  vaDouble
};

enum TFilerFlag { ffInherited, ffChildPos, ffInline };
using TFilerFlags = TSet<TFilerFlag>;

// The four signature bytes at the start of a component stream.
inline constexpr char FilerSignature[4] = {'T', 'P', 'F', '0'};

using TReaderProc = std::function<void(TReader* Reader)>;
using TWriterProc = std::function<void(TWriter* Writer)>;
using TStreamProc = std::function<void(TStream* Stream)>;

// What the reader and writer share: the stream, the root component and the
// hooks through which objects declare their own data.
class TFiler : public TObject {
 public:
  explicit TFiler(TStream* Stream) : FStream(Stream) {}
  TFiler(const TFiler&) = delete;
  TFiler& operator=(const TFiler&) = delete;

  // A property of the object's own making, written through WriteData with
  // the writer's value routines and read back through ReadData. Written only
  // when HasData is true.
  virtual void DefineProperty(const QString& Name, const TReaderProc& ReadData,
                              const TWriterProc& WriteData, bool HasData) = 0;
  // The same for raw bytes: WriteData writes them to a stream, ReadData gets
  // a stream holding exactly them, positioned at its start.
  virtual void DefineBinaryProperty(const QString& Name, const TStreamProc& ReadData,
                                    const TStreamProc& WriteData, bool HasData) = 0;

  TStream* Stream() const { return FStream; }
  // The component at the top of what is being written or read.
  TComponent* Root() const { return FRoot; }
  // The component against which names of references and methods are taken.
  TComponent* LookupRoot() const { return FLookupRoot; }

 protected:
  TStream* FStream;
  TComponent* FRoot = nullptr;
  TComponent* FLookupRoot = nullptr;
};

class TWriter : public TFiler {
 public:
  explicit TWriter(TStream* Stream) : TFiler(Stream) {}

  void DefineProperty(const QString& Name, const TReaderProc& ReadData,
                      const TWriterProc& WriteData, bool HasData) override;
  void DefineBinaryProperty(const QString& Name, const TStreamProc& ReadData,
                            const TStreamProc& WriteData, bool HasData) override;

  // The signature, then Root and everything below it.
  void WriteRootComponent(TComponent* Root);
  void WriteSignature();
  // One component (csWriting set meanwhile) through its WriteState.
  void WriteComponent(TComponent* Component);
  // Prefix, names, properties and children of Instance.
  void WriteData(TComponent* Instance);
  // The published and defined properties of Instance.
  void WriteProperties(TPersistent* Instance);
  // One published property, when it is to be stored.
  void WriteProperty(TPersistent* Instance, const TPropInfo* PropInfo);
  void WriteCollection(TCollection* Value);

  // Values.
  void WriteValue(TValueType Value);
  void WriteListBegin() { WriteValue(vaList); }
  void WriteListEnd() { WriteValue(vaNull); }
  void WriteBoolean(bool Value) { WriteValue(Value ? vaTrue : vaFalse); }
  void WriteChar(QChar Value) { WriteString(QString(Value)); }
  // The smallest of vaInt8, vaInt16, vaInt32 and vaInt64 that holds Value.
  void WriteInteger(Int64 Value);
  // vaExtended (10 bytes).
  void WriteFloat(Extended Value);
  void WriteSingle(Single Value);
  void WriteDouble(double Value);
  // Rounded to four decimals (the framework's Currency).
  void WriteCurrency(double Value);
  void WriteDate(TDateTime Value);
  // "False", "True", "nil" and "Null" become vaFalse, vaTrue, vaNil and
  // vaNull; any other name vaIdent.
  void WriteIdent(const QString& Ident);
  // ASCII text as vaString (up to 255 characters) or vaLString, other text
  // as vaUTF8String or vaWString, whichever is shorter.
  void WriteString(const QString& Value);
  void WriteUTF8Str(const QString& Value);
  void WriteWideString(const QString& Value);
  // A short string without value type; raises EWriteError "Stream write
  // error" beyond 255 UTF-8 bytes.
  void WriteStr(const QString& Value);
  // Unassigned (vaNil), null (vaNull), Booleans, integers, floats and text;
  // other types raise EWriteError.
  void WriteVariant(const QVariant& Value);
  void Write(const void* Buffer, Int64 Count);

 private:
  void WritePropPath(const QString& Name);
  void WriteObjectValue(TPersistent* Instance, const TPropInfo* PropInfo, TObject* Value);
  QString ComponentReference(TComponent* Component) const;

  QString FPropPath;
  std::vector<const TObject*> FWritingObjects;  // nested objects on the current path
};

class TReader : public TFiler {
 public:
  explicit TReader(TStream* Stream) : TFiler(Stream) {}

  void DefineProperty(const QString& Name, const TReaderProc& ReadData,
                      const TWriterProc& WriteData, bool HasData) override;
  void DefineBinaryProperty(const QString& Name, const TStreamProc& ReadData,
                            const TStreamProc& WriteData, bool HasData) override;

  // The signature, then a component into Root (not null), which is answered.
  TComponent* ReadRootComponent(TComponent* Root);
  // The signature, then a component of the class the stream names.
  std::unique_ptr<TComponent> ReadRootComponent();
  // Raises EReadError "Invalid stream format" unless the next four bytes are
  // the signature.
  void ReadSignature();
  // A child of Parent: created inside Parent->GetChildOwner() by its class
  // name, or found there by name when the stream marks it inherited.
  TComponent* ReadComponent(TComponent* Parent);
  // Properties of Instance up to the list end, then its children.
  void ReadData(TComponent* Instance);
  // One property (name and value) of Instance.
  void ReadProperty(TPersistent* Instance);
  // Items of Collection up to the list end (the vaCollection byte already
  // read); the old items are replaced.
  void ReadCollection(TCollection* Collection);
  void ReadPrefix(TFilerFlags& Flags, int& AChildPos);

  // Values.
  TValueType ReadValue();
  // The next value type, left unread.
  TValueType NextValue();
  // True when the next value is the list end (left unread).
  bool EndOfList() { return NextValue() == vaNull; }
  void CheckValue(TValueType Value);
  void ReadListBegin() { CheckValue(vaList); }
  void ReadListEnd() { CheckValue(vaNull); }
  bool ReadBoolean();
  QChar ReadChar();
  // vaInt8, vaInt16, vaInt32.
  int ReadInteger();
  // Any integer value.
  Int64 ReadInt64();
  // Any float or integer value.
  Extended ReadFloat();
  Single ReadSingle();
  double ReadDouble();
  double ReadCurrency();
  TDateTime ReadDate();
  QString ReadIdent();
  // Any string value.
  QString ReadString();
  // A short string (no value type).
  QString ReadStr();
  QVariant ReadVariant();
  // Reads past one value of any type.
  void SkipValue();
  // Count bytes or EReadError "Stream read error".
  void Read(void* Buffer, Int64 Count);

 private:
  struct TFixup {
    TPersistent* Instance;
    const TPropInfo* PropInfo;
    QString Name;
  };
  void ReadRoot(TComponent* Root);
  void ReadPropValue(TPersistent* Instance, const TPropInfo* PropInfo, const QString& PropPath);
  void ReadObjectValue(TPersistent* Instance, const TPropInfo* PropInfo, const QString& PropPath);
  void ResolveFixups();
  TComponent* FindReference(const QString& Name) const;
  [[noreturn]] void PropValueError() const;
  [[noreturn]] void PropertyError(const QString& Name) const;
  // A 4-byte count of units of UnitSize bytes, checked against what is left
  // of the stream.
  Int64 ReadLength(int UnitSize);
  Int64 ReadIntegerData(TValueType Value);
  void SkipBytes(Int64 Count);

  QString FPropName;  // the defined property being looked for
  int FNesting = 0;
  std::vector<TFixup> FFixups;
  QList<TComponent*> FLoaded;   // in reading order, root first
  QList<TComponent*> FCreated;  // children created by this read
};
