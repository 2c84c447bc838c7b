#pragma once
// Streams with the framework's semantics: TStream and its memory, file,
// string, bytes and resource streams. Positions and sizes are 64-bit.
//
// Not covered (logged under tf.rtl when asked for): the share modes of
// TFileStream (fmShareExclusive, fmShareDenyRead, fmShareDenyWrite) are
// accepted and not enforced; Linux has no mandatory file sharing.

#include <QByteArray>
#include <QString>
#include <bit>
#include <cstring>
#include <memory>
#include <type_traits>

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/System.h"

class TEncoding;
class TComponent;

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

// File open modes for TFileStream: one access mode, optionally or-ed with a
// share mode. Share modes are accepted and not enforced (Linux has no
// mandatory file sharing). fmCreate creates or truncates the file and opens
// it for reading and writing; with fmExclusive it fails when the file exists.
inline constexpr Word fmCreate = 0xFF00;
inline constexpr Word fmOpenRead = 0x0000;
inline constexpr Word fmOpenWrite = 0x0001;
inline constexpr Word fmOpenReadWrite = 0x0002;
inline constexpr Word fmExclusive = 0x0004;
inline constexpr Word fmShareCompat = 0x0000;
inline constexpr Word fmShareExclusive = 0x0010;
inline constexpr Word fmShareDenyWrite = 0x0020;
inline constexpr Word fmShareDenyRead = 0x0030;
inline constexpr Word fmShareDenyNone = 0x0040;

class TStream : public TObject {
 public:
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;

  // Read and Write move up to Count bytes and answer how many they moved.
  virtual Int64 Read(void* Buffer, Int64 Count) = 0;
  virtual Int64 Write(const void* Buffer, Int64 Count) = 0;
  // Answers the new position.
  virtual Int64 Seek(Int64 Offset, TSeekOrigin Origin) = 0;

  // All Count bytes or EReadError "Stream read error".
  void ReadBuffer(void* Buffer, Int64 Count);
  // All Count bytes or EWriteError "Stream write error".
  void WriteBuffer(const void* Buffer, Int64 Count);

  Int64 Position() { return Seek(0, soCurrent); }
  void SetPosition(Int64 Value) { Seek(Value, soBeginning); }
  virtual Int64 Size();
  // The base stream cannot change its size and ignores the call.
  virtual void SetSize(Int64 NewSize) {}

  // Copies Count bytes from Source's position (Count 0 or less: the whole of
  // Source from its start) and answers the number copied. Raises EReadError
  // when Source runs short, EWriteError when this stream refuses the bytes.
  Int64 CopyFrom(TStream* Source, Int64 Count);

  // Scalars in little-endian byte order; answer the number of bytes moved.
  // A short read leaves Value unchanged.
  template <class T>
  Int64 ReadData(T& Value) {
    static_assert(std::is_arithmetic_v<T> || std::is_enum_v<T>);
    unsigned char bytes[sizeof(T)];
    const Int64 count = Read(bytes, sizeof(T));
    if (count == static_cast<Int64>(sizeof(T))) {
      if constexpr (std::endian::native == std::endian::big) ReverseBytes(bytes, sizeof(T));
      std::memcpy(&Value, bytes, sizeof(T));
    }
    return count;
  }
  template <class T>
  Int64 WriteData(const T& Value) {
    static_assert(std::is_arithmetic_v<T> || std::is_enum_v<T>);
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &Value, sizeof(T));
    if constexpr (std::endian::native == std::endian::big) ReverseBytes(bytes, sizeof(T));
    return Write(bytes, sizeof(T));
  }
  // A character is its UTF-16 code unit.
  Int64 ReadData(QChar& Value);
  Int64 WriteData(QChar Value) { return WriteData(Value.unicode()); }

  // Component streaming (ComponentStreaming.h): the binary form of Instance,
  // its published properties and its children, after the "TPF0" signature.
  void WriteComponent(TComponent* Instance);
  // Reads a component into Instance (not null) and answers it.
  TComponent* ReadComponent(TComponent* Instance);
  // Reads a component of the class the stream names, created by name from
  // the class registry; the caller owns it.
  std::unique_ptr<TComponent> ReadComponent();

 private:
  static void ReverseBytes(unsigned char* bytes, size_t count);
};

// A stream over a block of memory. Seeking past the end is allowed; reading
// there answers 0 bytes.
class TCustomMemoryStream : public TStream {
 public:
  Int64 Read(void* Buffer, Int64 Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  Int64 Size() override { return FSize; }

  // The stream's bytes (Size() of them).
  virtual void* Memory() { return FMemory; }
  void SaveToStream(TStream* Stream);
  void SaveToFile(const QString& FileName);

 protected:
  void SetPointer(void* Ptr, Int64 Size);
  Int64 FPosition = 0;

 private:
  void* FMemory = nullptr;
  Int64 FSize = 0;
};

// A growable memory stream. Writing past the end extends it; a gap left by
// seeking past the end is filled with zero bytes, as is a SetSize growth.
class TMemoryStream : public TCustomMemoryStream {
 public:
  TMemoryStream() = default;

  Int64 Write(const void* Buffer, Int64 Count) override;
  // A negative size counts as 0. The position stays unless it was past the
  // new end, in which case it moves to the end.
  void SetSize(Int64 NewSize) override;
  void* Memory() override;
  void Clear();
  // Replaces the contents with the whole of Stream (read from its start).
  void LoadFromStream(TStream* Stream);
  void LoadFromFile(const QString& FileName);

 protected:
  explicit TMemoryStream(const TBytes& Bytes);
  const TBytes& Buffer() const { return FData; }

 private:
  void Resize(Int64 NewSize);
  TBytes FData;
};

// A memory stream whose contents are a byte array.
class TBytesStream : public TMemoryStream {
 public:
  explicit TBytesStream(const TBytes& Bytes = TBytes()) : TMemoryStream(Bytes) {}
  // The contents: exactly Size() bytes.
  TBytes Bytes() const { return Buffer(); }
};

// A memory stream holding a string in an encoding (TEncoding::Default() when
// none is given). Encodings are shared instances; the stream only refers to
// its encoding.
class TStringStream : public TBytesStream {
 public:
  explicit TStringStream(const QString& AString = QString(), TEncoding* AEncoding = nullptr);

  TEncoding* Encoding() const { return FEncoding; }
  // The whole contents decoded.
  QString DataString() const;
  // Decodes up to Count bytes from the position and moves past them.
  QString ReadString(Int64 Count);
  // Writes AString's bytes at the position.
  void WriteString(const QString& AString);

 private:
  TEncoding* FEncoding;
};

// A stream over an open file descriptor, which it does not close.
class THandleStream : public TStream {
 public:
  explicit THandleStream(int AHandle) : FHandle(AHandle) {}

  // A failing read or write answers 0 bytes.
  Int64 Read(void* Buffer, Int64 Count) override;
  Int64 Write(const void* Buffer, Int64 Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  // Moves the position to NewSize and ends the file there; raises EOSError
  // with the system's message when the file cannot take the new size.
  void SetSize(Int64 NewSize) override;
  int Handle() const { return FHandle; }

 protected:
  int FHandle;
};

// A stream over a file. Opening raises EFOpenError "Cannot open file
// "<full name>". <system message>", creating EFCreateError "Cannot create
// file ...".
class TFileStream : public THandleStream {
 public:
  TFileStream(const QString& AFileName, Word Mode);
  ~TFileStream() override;
  const QString& FileName() const { return FFileName; }

 private:
  QString FFileName;
};

// A read-only stream over a resource compiled into the program.
//
// Resources are Qt resources: ResName, upper-cased, is looked up as
// ":/<NAME>" (so a .qrc file lists <file alias="LOGO">logo.png</file> at
// the root prefix "/" for the resource "Logo"). Instance and ResType are
// accepted for the framework's signature and not used: every resource is raw
// data. A missing resource raises EResNotFound "Resource <ResName> not found".
class TResourceStream : public TCustomMemoryStream {
 public:
  TResourceStream(NativeInt Instance, const QString& ResName, const QString& ResType = QString());
  // Raises EStreamError "Can't write to a read-only resource stream".
  Int64 Write(const void* Buffer, Int64 Count) override;

 private:
  TBytes FData;
};
