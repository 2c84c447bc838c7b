#pragma once
// The framework's clipboard object over the Win32 clipboard calls.
//
// Open and Close are counted: between the first Open and the last Close the
// clipboard stays open, and the formats set in that time go out together.
// The first format set in such a batch empties the clipboard; the ones after
// it are added. A format set with no batch open empties the clipboard and
// stands alone. Formats are the Win32 ids (CF_UNICODETEXT, a registered id
// ...), their data bytes as in platform/win32/Clipboard.h.

#include <QByteArray>
#include <QString>
#include <memory>

#include "platform/rtl/Classes.h"
#include "platform/win32/Clipboard.h"

TF_DECLARE_EXCEPTION(EClipboardException, Exception)

class TClipboard : public TPersistent {
 public:
  TClipboard() = default;
  // Closes the clipboard when a batch is still open.
  ~TClipboard() override;

  // Raises EClipboardException "Cannot open clipboard: <reason>" when the
  // clipboard cannot be opened (from a thread other than the GUI thread).
  void Open();
  // A Close without an Open is ignored.
  void Close();
  // Drops every format.
  void Clear();

  bool HasFormat(Word Format);

  // The clipboard's text, "" when it holds none.
  QString AsText();
  void SetAsText(const QString& Value) { SetTextBuf(Value); }
  void SetTextBuf(const QString& Buffer);
  // Copies at most BufSize - 1 characters of the text and a terminating
  // zero into Buffer; answers the number of characters copied. Nothing is
  // copied for a BufSize below 1.
  int GetTextBuf(WCHAR* Buffer, int BufSize);

  // The bytes of one format (see GetClipboardData); null when it is not
  // there.
  QByteArray GetAsHandle(Word Format);
  void SetAsHandle(Word Format, const QByteArray& Value);

  int OpenRefCount() const { return FOpenRefCount; }

 private:
  // Empties the clipboard before the first format of a batch.
  void Adding();

  int FOpenRefCount = 0;
  bool FEmptied = false;
};

// The process's clipboard object, made on first use.
TClipboard* Clipboard();
// Puts NewClipboard in the place of the clipboard object and hands back the
// one it replaces (null when none was made yet).
std::unique_ptr<TClipboard> SetClipboard(std::unique_ptr<TClipboard> NewClipboard);
