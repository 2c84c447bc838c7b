// TStream and its memory, file, string, bytes and resource streams.

#include "platform/rtl/Streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QResource>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/rtl/ClassesPrivate.h"
#include "platform/rtl/Encoding.h"
#include "platform/rtl/LogCategories.h"

namespace {

QString SystemMessage(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

}  // namespace

// ---------------------------------------------------------------------------
// TStream

void TStream::ReadBuffer(void* Buffer, Int64 Count) {
  if (Count < 0 || (Count != 0 && Read(Buffer, Count) != Count))
    throw EReadError(QString::fromUtf8(RtlConsts::SReadError));
}

void TStream::WriteBuffer(const void* Buffer, Int64 Count) {
  if (Count < 0 || (Count != 0 && Write(Buffer, Count) != Count))
    throw EWriteError(QString::fromUtf8(RtlConsts::SWriteError));
}

Int64 TStream::Size() {
  const Int64 position = Seek(0, soCurrent);
  const Int64 result = Seek(0, soEnd);
  Seek(position, soBeginning);
  return result;
}

Int64 TStream::CopyFrom(TStream* Source, Int64 Count) {
  if (Count <= 0) {
    Source->SetPosition(0);
    Count = Source->Size();
  }
  constexpr Int64 kChunk = 64 * 1024;
  std::vector<char> buffer(static_cast<size_t>(std::min(Count, kChunk)));
  Int64 result = 0;
  while (Count > 0) {
    const Int64 n = std::min(Count, kChunk);
    Source->ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    Count -= n;
    result += n;
  }
  return result;
}

Int64 TStream::ReadData(QChar& Value) {
  char16_t unit = 0;
  const Int64 count = ReadData(unit);
  if (count == static_cast<Int64>(sizeof(unit))) Value = QChar(unit);
  return count;
}

void TStream::ReverseBytes(unsigned char* bytes, size_t count) { std::reverse(bytes, bytes + count); }

// ---------------------------------------------------------------------------
// TCustomMemoryStream

void TCustomMemoryStream::SetPointer(void* Ptr, Int64 Size) {
  FMemory = Ptr;
  FSize = Size;
}

Int64 TCustomMemoryStream::Read(void* Buffer, Int64 Count) {
  if (FPosition < 0 || Count <= 0 || FPosition >= FSize) return 0;
  const Int64 n = std::min(Count, FSize - FPosition);
  std::memmove(Buffer, static_cast<const char*>(FMemory) + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

Int64 TCustomMemoryStream::Seek(Int64 Offset, TSeekOrigin Origin) {
  switch (Origin) {
    case soBeginning:
      FPosition = Offset;
      break;
    case soCurrent:
      FPosition += Offset;
      break;
    case soEnd:
      FPosition = FSize + Offset;
      break;
  }
  return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream* Stream) {
  if (FSize != 0) Stream->WriteBuffer(FMemory, FSize);
}

void TCustomMemoryStream::SaveToFile(const QString& FileName) {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream);
}

// ---------------------------------------------------------------------------
// TMemoryStream

TMemoryStream::TMemoryStream(const TBytes& Bytes) : FData(Bytes) {
  SetPointer(FData.isEmpty() ? nullptr : FData.data(), FData.size());
}

void* TMemoryStream::Memory() {
  // The contents may be shared with a byte array handed out by Bytes():
  // whoever writes through this pointer must not change that copy.
  if (!FData.isEmpty()) SetPointer(FData.data(), FData.size());
  return TCustomMemoryStream::Memory();
}

void TMemoryStream::Resize(Int64 NewSize) {
  const qsizetype oldSize = FData.size();
  try {
    FData.resize(static_cast<qsizetype>(NewSize));
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory(QString::fromUtf8(RtlConsts::SMemoryStreamError));
  }
  if (NewSize > oldSize) std::memset(FData.data() + oldSize, 0, static_cast<size_t>(NewSize - oldSize));
  SetPointer(FData.isEmpty() ? nullptr : FData.data(), FData.size());
}

Int64 TMemoryStream::Write(const void* Buffer, Int64 Count) {
  if (FPosition < 0 || Count <= 0) return 0;
  const Int64 end = FPosition + Count;
  if (end > FData.size())
    Resize(end);
  else
    SetPointer(FData.data(), FData.size());  // detach from any shared copy
  std::memmove(FData.data() + FPosition, Buffer, static_cast<size_t>(Count));
  FPosition = end;
  return Count;
}

void TMemoryStream::SetSize(Int64 NewSize) {
  if (NewSize < 0) NewSize = 0;
  const Int64 oldPosition = FPosition;
  Resize(NewSize);
  if (oldPosition > NewSize) Seek(0, soEnd);
}

void TMemoryStream::Clear() {
  FData = TBytes();
  SetPointer(nullptr, 0);
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream) {
  Stream->SetPosition(0);
  const Int64 count = Stream->Size();
  if (Stream == this) return;  // already holds itself
  SetSize(count);
  if (count != 0) Stream->ReadBuffer(FData.data(), count);
}

void TMemoryStream::LoadFromFile(const QString& FileName) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

// ---------------------------------------------------------------------------
// TStringStream

TStringStream::TStringStream(const QString& AString, TEncoding* AEncoding)
    : TBytesStream(), FEncoding(AEncoding != nullptr ? AEncoding : TEncoding::Default()) {
  const TBytes bytes = FEncoding->GetBytes(AString);
  WriteBuffer(bytes.constData(), bytes.size());
  SetPosition(0);
}

QString TStringStream::DataString() const { return FEncoding->GetString(Buffer()); }

QString TStringStream::ReadString(Int64 Count) {
  const Int64 size = Buffer().size();
  if (FPosition < 0 || FPosition >= size || Count <= 0) return QString();
  Count = std::min(Count, size - FPosition);
  const QString result =
      FEncoding->GetString(Buffer().mid(static_cast<qsizetype>(FPosition), static_cast<qsizetype>(Count)));
  FPosition += Count;
  return result;
}

void TStringStream::WriteString(const QString& AString) {
  const TBytes bytes = FEncoding->GetBytes(AString);
  Write(bytes.constData(), bytes.size());
}

// ---------------------------------------------------------------------------
// THandleStream and TFileStream

Int64 THandleStream::Read(void* Buffer, Int64 Count) {
  if (Count <= 0) return 0;
  Int64 total = 0;
  auto* out = static_cast<char*>(Buffer);
  while (total < Count) {
    const ssize_t n = ::read(FHandle, out + total, static_cast<size_t>(Count - total));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    total += n;
  }
  return total;
}

Int64 THandleStream::Write(const void* Buffer, Int64 Count) {
  if (Count <= 0) return 0;
  Int64 total = 0;
  const auto* in = static_cast<const char*>(Buffer);
  while (total < Count) {
    const ssize_t n = ::write(FHandle, in + total, static_cast<size_t>(Count - total));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    total += n;
  }
  return total;
}

Int64 THandleStream::Seek(Int64 Offset, TSeekOrigin Origin) {
  const int whence = Origin == soBeginning ? SEEK_SET : (Origin == soCurrent ? SEEK_CUR : SEEK_END);
  return ::lseek(FHandle, static_cast<off_t>(Offset), whence);
}

void THandleStream::SetSize(Int64 NewSize) {
  Seek(NewSize, soBeginning);
  if (NewSize < 0 || ::ftruncate(FHandle, static_cast<off_t>(NewSize)) != 0)
    throw EOSError(SystemMessage(NewSize < 0 ? EINVAL : errno));
}

namespace {

int OpenFile(const QString& fileName, Word mode) {
  const char* share = (mode & 0xF0) == fmShareExclusive   ? "fmShareExclusive"
                      : (mode & 0xF0) == fmShareDenyWrite ? "fmShareDenyWrite"
                      : (mode & 0xF0) == fmShareDenyRead  ? "fmShareDenyRead"
                                                          : nullptr;
  if (share) LogNotCovered(lcRtl(), QStringLiteral("TFileStream: %1 (not enforced)").arg(QLatin1String(share)));
  const QByteArray path = QFile::encodeName(fileName);
  int flags = O_CLOEXEC;
  if ((mode & fmCreate) == fmCreate) {
    flags |= O_RDWR | O_CREAT | O_TRUNC;
    if (mode & fmExclusive) flags |= O_EXCL;
  } else {
    switch (mode & 3) {
      case fmOpenWrite:
        flags |= O_WRONLY;
        break;
      case fmOpenReadWrite:
        flags |= O_RDWR;
        break;
      default:
        flags |= O_RDONLY;
        break;
    }
  }
  int fd;
  do {
    fd = ::open(path.constData(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

}  // namespace

TFileStream::TFileStream(const QString& AFileName, Word Mode)
    : THandleStream(-1), FFileName(AFileName) {
  FHandle = OpenFile(AFileName, Mode);
  if (FHandle >= 0) return;
  const QString message = SystemMessage(errno);
  const QString fullName = QFileInfo(AFileName).absoluteFilePath();
  if ((Mode & fmCreate) == fmCreate)
    throw EFCreateError(MessageText(RtlConsts::SFCreateErrorEx, {fullName, message}));
  throw EFOpenError(MessageText(RtlConsts::SFOpenErrorEx, {fullName, message}));
}

TFileStream::~TFileStream() {
  if (FHandle >= 0) ::close(FHandle);
}

// ---------------------------------------------------------------------------
// TResourceStream

TResourceStream::TResourceStream(NativeInt Instance, const QString& ResName,
                                 const QString& ResType) {
  const QString path = QStringLiteral(":/") + ResName.toUpper();
  const QResource resource(path);
  if (!resource.isValid() || !QFileInfo(path).isFile())
    throw EResNotFound(MessageText(RtlConsts::SResNotFound, {ResName}));
  FData = resource.uncompressedData();
  SetPointer(FData.isEmpty() ? nullptr : FData.data(), FData.size());
}

Int64 TResourceStream::Write(const void* Buffer, Int64 Count) {
  throw EStreamError(QString::fromUtf8(RtlConsts::SCantWriteResourceStreamError));
}
