// The Win32 clipboard over QClipboard: format registration, the MIME types
// of the formats, the open/close batch and the text and DIB conversions.

#include "platform/win32/Clipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QHash>
#include <QMimeData>
#include <QMutex>
#include <QStringList>
#include <QThread>
#include <QtEndian>
#include <memory>

#include "platform/rtl/Encoding.h"

namespace {

constexpr UINT kFirstRegisteredFormat = 0xC000;
constexpr UINT kLastRegisteredFormat = 0xFFFF;
const QString kMimePrefix = QStringLiteral("application/x-tallowfinch-");
const QString kImageMime = QStringLiteral("application/x-qt-image");

// Registered names: the first spelling of each name, by id - 0xC000.
struct TFormatTable {
  QMutex Lock;
  QStringList Names;
  QHash<QString, UINT> Ids;  // by lower-cased name
};

TFormatTable& Formats() {
  static TFormatTable table;
  return table;
}

QString MimeSafe(const QString& name) {
  QString safe;
  for (QChar c : name.toLower()) {
    const char16_t u = c.unicode();
    if ((u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') || u == u'-') {
      safe += c;
    } else if (u == u' ') {
      safe += u'+';
    } else {
      safe += u'_' + QStringLiteral("%1").arg(static_cast<uint>(u), 4, 16, QLatin1Char('0'));
    }
  }
  return safe;
}

bool IsTextFormat(UINT format) { return format == CF_TEXT || format == CF_UNICODETEXT; }
bool IsImageFormat(UINT format) { return format == CF_DIB || format == CF_BITMAP; }

// The clipboard as this process has it open.
struct TClipboardState {
  bool Open = false;
  HWND Owner = nullptr;
  // What is being written, from the first change after opening until the
  // clipboard is closed; null while nothing changed.
  std::unique_ptr<QMimeData> Pending;
};

TClipboardState& State() {
  static TClipboardState state;
  return state;
}

bool InGuiThread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return app && qobject_cast<const QGuiApplication*>(app) && QThread::currentThread() == app->thread();
}

const QMimeData* CurrentContent() {
  const TClipboardState& state = State();
  if (state.Pending) return state.Pending.get();
  return InGuiThread() ? QGuiApplication::clipboard()->mimeData() : nullptr;
}

std::unique_ptr<QMimeData> CopyOf(const QMimeData* source) {
  auto copy = std::make_unique<QMimeData>();
  if (!source) return copy;
  for (const QString& format : source->formats()) {
    if (format == kImageMime) copy->setImageData(source->imageData());
    else copy->setData(format, source->data(format));
  }
  if (source->hasImage() && !copy->hasImage()) copy->setImageData(source->imageData());
  return copy;
}

QByteArray NulTerminated(QByteArray bytes, int terminatorSize) {
  bytes.append(terminatorSize, '\0');
  return bytes;
}

QString UnicodeTextOf(const QByteArray& bytes) {
  QString text;
  for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
    const char16_t unit = qFromLittleEndian<quint16>(bytes.constData() + i);
    if (unit == 0) break;
    text += QChar(unit);
  }
  return text;
}

QString AnsiTextOf(const QByteArray& bytes) {
  const qsizetype end = bytes.indexOf('\0');
  return TEncoding::ANSI()->GetString(end < 0 ? bytes : bytes.left(end));
}

bool Fail(DWORD error) {
  SetLastError(error);
  return false;
}

}  // namespace

UINT RegisterClipboardFormat(const QString& lpszFormat) {
  if (lpszFormat.isEmpty()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  TFormatTable& table = Formats();
  QMutexLocker locker(&table.Lock);
  const QString key = lpszFormat.toLower();
  if (const auto it = table.Ids.constFind(key); it != table.Ids.constEnd()) return *it;
  const UINT id = kFirstRegisteredFormat + static_cast<UINT>(table.Names.size());
  if (id > kLastRegisteredFormat) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  table.Names.append(lpszFormat);
  table.Ids.insert(key, id);
  return id;
}

QString GetClipboardFormatName(UINT format) {
  if (format < kFirstRegisteredFormat) return {};
  TFormatTable& table = Formats();
  QMutexLocker locker(&table.Lock);
  return table.Names.value(format - kFirstRegisteredFormat);
}

QString ClipboardFormatMimeType(UINT format) {
  if (format == 0) return {};
  if (IsTextFormat(format)) return QStringLiteral("text/plain");
  if (IsImageFormat(format)) return kImageMime;
  if (format < kFirstRegisteredFormat) return kMimePrefix + QStringLiteral("cf.") + QString::number(format);
  const QString name = GetClipboardFormatName(format);
  return name.isEmpty() ? QString() : kMimePrefix + MimeSafe(name);
}

BOOL OpenClipboard(HWND hWndNewOwner) {
  if (!InGuiThread()) return Fail(ERROR_ACCESS_DENIED);
  TClipboardState& state = State();
  state.Open = true;
  state.Owner = hWndNewOwner;
  return TRUE;
}

BOOL CloseClipboard() {
  TClipboardState& state = State();
  if (!state.Open || !InGuiThread()) return Fail(ERROR_CLIPBOARD_NOT_OPEN);
  state.Open = false;
  state.Owner = nullptr;
  if (state.Pending) QGuiApplication::clipboard()->setMimeData(state.Pending.release());
  return TRUE;
}

BOOL EmptyClipboard() {
  TClipboardState& state = State();
  if (!state.Open || !InGuiThread()) return Fail(ERROR_CLIPBOARD_NOT_OPEN);
  state.Pending = std::make_unique<QMimeData>();
  return TRUE;
}

HWND GetOpenClipboardWindow() {
  const TClipboardState& state = State();
  return state.Open ? state.Owner : nullptr;
}

BOOL SetClipboardData(UINT uFormat, const QByteArray& hMem) {
  TClipboardState& state = State();
  if (!state.Open || !InGuiThread()) return Fail(ERROR_CLIPBOARD_NOT_OPEN);
  const QString mime = ClipboardFormatMimeType(uFormat);
  if (mime.isEmpty()) return Fail(ERROR_INVALID_PARAMETER);
  QImage image;
  if (IsImageFormat(uFormat)) {
    image = DibToImage(hMem);
    if (image.isNull()) return Fail(ERROR_INVALID_PARAMETER);
  }
  if (!state.Pending) state.Pending = CopyOf(QGuiApplication::clipboard()->mimeData());
  if (uFormat == CF_UNICODETEXT) state.Pending->setText(UnicodeTextOf(hMem));
  else if (uFormat == CF_TEXT) state.Pending->setText(AnsiTextOf(hMem));
  else if (IsImageFormat(uFormat)) state.Pending->setImageData(image);
  else state.Pending->setData(mime, hMem);
  return TRUE;
}

QByteArray GetClipboardData(UINT uFormat) {
  if (!State().Open || !InGuiThread()) {
    SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
    return {};
  }
  if (!IsClipboardFormatAvailable(uFormat)) return {};
  const QMimeData* content = CurrentContent();
  if (uFormat == CF_UNICODETEXT) {
    const QString text = content->text();
    return NulTerminated(QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2), 2);
  }
  if (uFormat == CF_TEXT) return NulTerminated(TEncoding::ANSI()->GetBytes(content->text()), 1);
  if (IsImageFormat(uFormat)) return ImageToDib(qvariant_cast<QImage>(content->imageData()));
  return content->data(ClipboardFormatMimeType(uFormat));
}

BOOL IsClipboardFormatAvailable(UINT format) {
  const QMimeData* content = CurrentContent();
  if (!content) return FALSE;
  if (IsTextFormat(format)) return content->hasText();
  if (IsImageFormat(format)) return content->hasImage();
  const QString mime = ClipboardFormatMimeType(format);
  return !mime.isEmpty() && content->hasFormat(mime);
}

// ---------------------------------------------------------------------------
// Packed DIBs

namespace {

constexpr quint32 kBiBitfields = 3;
constexpr quint32 kBiAlphaBitfields = 6;
constexpr int kFileHeaderSize = 14;

}  // namespace

QImage DibToImage(const QByteArray& dib) {
  if (dib.size() < 12) return {};
  const auto* data = reinterpret_cast<const uchar*>(dib.constData());
  const quint32 headerSize = qFromLittleEndian<quint32>(data);
  if (headerSize < 12 || headerSize > static_cast<quint32>(dib.size())) return {};
  quint64 tableSize = 0;
  if (headerSize == 12) {  // BITMAPCOREHEADER: RGB triples
    const quint16 bitCount = qFromLittleEndian<quint16>(data + 10);
    if (bitCount <= 8) tableSize = (quint64{1} << bitCount) * 3;
  } else {
    if (headerSize < 40) return {};
    const quint16 bitCount = qFromLittleEndian<quint16>(data + 14);
    const quint32 compression = qFromLittleEndian<quint32>(data + 16);
    const quint32 colorsUsed = qFromLittleEndian<quint32>(data + 32);
    if (headerSize == 40 && compression == kBiBitfields) tableSize += 12;
    if (headerSize == 40 && compression == kBiAlphaBitfields) tableSize += 16;
    quint64 colors = colorsUsed;
    if (colors == 0 && bitCount <= 8) colors = quint64{1} << bitCount;
    tableSize += colors * 4;
  }
  const quint64 offset = kFileHeaderSize + quint64{headerSize} + tableSize;
  if (offset > kFileHeaderSize + quint64(dib.size())) return {};

  QByteArray file(kFileHeaderSize, '\0');
  auto* header = reinterpret_cast<uchar*>(file.data());
  header[0] = 'B';
  header[1] = 'M';
  qToLittleEndian<quint32>(static_cast<quint32>(kFileHeaderSize + dib.size()), header + 2);
  qToLittleEndian<quint32>(static_cast<quint32>(offset), header + 10);
  file += dib;
  return QImage::fromData(file, "BMP");
}

QByteArray ImageToDib(const QImage& image) {
  if (image.isNull()) return {};
  QByteArray file;
  QBuffer buffer(&file);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "BMP") || file.size() <= kFileHeaderSize) return {};
  return file.mid(kFileHeaderSize);
}
