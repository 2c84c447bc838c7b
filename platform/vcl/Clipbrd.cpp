// The framework's clipboard object.

#include "platform/vcl/Clipbrd.h"

#include <algorithm>

namespace {

std::unique_ptr<TClipboard>& ClipboardObject() {
  static std::unique_ptr<TClipboard> clipboard;
  return clipboard;
}

}  // namespace

TClipboard::~TClipboard() {
  if (FOpenRefCount > 0) CloseClipboard();
}

void TClipboard::Open() {
  if (FOpenRefCount == 0) {
    if (!OpenClipboard(nullptr))
      throw EClipboardException(QStringLiteral("Cannot open clipboard: Access is denied"));
    FEmptied = false;
  }
  ++FOpenRefCount;
}

void TClipboard::Close() {
  if (FOpenRefCount == 0) return;
  if (--FOpenRefCount == 0) CloseClipboard();
}

void TClipboard::Clear() {
  Open();
  EmptyClipboard();
  Close();
}

void TClipboard::Adding() {
  if (FOpenRefCount != 0 && !FEmptied) {
    Clear();
    FEmptied = true;
  }
}

bool TClipboard::HasFormat(Word Format) { return IsClipboardFormatAvailable(Format) != FALSE; }

QString TClipboard::AsText() {
  Open();
  const QByteArray data = GetClipboardData(CF_UNICODETEXT);
  Close();
  QString text;
  for (qsizetype i = 0; i + 1 < data.size(); i += 2) {
    const char16_t unit = static_cast<char16_t>(static_cast<uchar>(data[i]) |
                                                (static_cast<uchar>(data[i + 1]) << 8));
    if (unit == 0) break;
    text += QChar(unit);
  }
  return text;
}

void TClipboard::SetTextBuf(const QString& Buffer) {
  QByteArray data(reinterpret_cast<const char*>(Buffer.utf16()), Buffer.size() * 2);
  data.append(2, '\0');
  SetAsHandle(CF_UNICODETEXT, data);
}

int TClipboard::GetTextBuf(WCHAR* Buffer, int BufSize) {
  if (!Buffer || BufSize < 1) return 0;
  const QString text = AsText();
  const int count = std::min(static_cast<int>(text.size()), BufSize - 1);
  std::copy(text.utf16(), text.utf16() + count, Buffer);
  Buffer[count] = 0;
  return count;
}

QByteArray TClipboard::GetAsHandle(Word Format) {
  Open();
  const QByteArray data = GetClipboardData(Format);
  Close();
  return data;
}

void TClipboard::SetAsHandle(Word Format, const QByteArray& Value) {
  Open();
  Adding();
  SetClipboardData(Format, Value);
  Close();
}

TClipboard* Clipboard() {
  std::unique_ptr<TClipboard>& clipboard = ClipboardObject();
  if (!clipboard) clipboard = std::make_unique<TClipboard>();
  return clipboard.get();
}

std::unique_ptr<TClipboard> SetClipboard(std::unique_ptr<TClipboard> NewClipboard) {
  std::unique_ptr<TClipboard> previous = std::move(ClipboardObject());
  ClipboardObject() = std::move(NewClipboard);
  return previous;
}
