#pragma once
// The Win32 clipboard over QClipboard and QMimeData.
//
// Formats and where they are kept:
// - CF_UNICODETEXT and CF_TEXT: the clipboard's plain text (text/plain). The
//   data of CF_UNICODETEXT is UTF-16LE, of CF_TEXT Windows-1252, each with a
//   terminating zero; either one is available whenever there is text, as on
//   Windows, where each is made from the other.
// - CF_DIB and CF_BITMAP: the clipboard's image; the data of both is a packed
//   DIB (a BITMAPINFOHEADER, the colour table or masks, the bits), since the
//   clipboard holds bytes rather than GDI handles here (make a bitmap of it
//   with CreateBitmapFromImage(DibToImage(...)) when one is needed).
// - a format registered by name (ids 0xC000 and up): its bytes under the MIME
//   type "application/x-tallowfinch-<name>", the name made MIME-safe (see
//   ClipboardFormatMimeType), so other processes of the program find it.
// - any other standard format: its bytes under
//   "application/x-tallowfinch-cf.<id>".
//
// Writing: between OpenClipboard and CloseClipboard the formats set are
// gathered into one QMimeData, which becomes the clipboard's content at
// CloseClipboard, so several formats stand side by side. EmptyClipboard
// starts from nothing; setting a format without emptying first adds it to
// what the clipboard holds. Reading: GetClipboardData needs the clipboard
// open and sees what has been set since it was opened;
// IsClipboardFormatAvailable works either way.
//
// The clipboard belongs to the GUI thread: opening it from another thread
// fails with ERROR_ACCESS_DENIED. Format registration works from any
// thread.

#include <QByteArray>
#include <QImage>
#include <QString>

#include "platform/win32/WinTypes.h"

inline constexpr UINT CF_TEXT = 1;
inline constexpr UINT CF_BITMAP = 2;
inline constexpr UINT CF_METAFILEPICT = 3;
inline constexpr UINT CF_SYLK = 4;
inline constexpr UINT CF_DIF = 5;
inline constexpr UINT CF_TIFF = 6;
inline constexpr UINT CF_OEMTEXT = 7;
inline constexpr UINT CF_DIB = 8;
inline constexpr UINT CF_PALETTE = 9;
inline constexpr UINT CF_PENDATA = 10;
inline constexpr UINT CF_RIFF = 11;
inline constexpr UINT CF_WAVE = 12;
inline constexpr UINT CF_UNICODETEXT = 13;
inline constexpr UINT CF_ENHMETAFILE = 14;
inline constexpr UINT CF_HDROP = 15;
inline constexpr UINT CF_LOCALE = 16;
inline constexpr UINT CF_DIBV5 = 17;

inline constexpr DWORD ERROR_CLIPBOARD_NOT_OPEN = 1418;

// The id of a format name: the same id for the same name (compared without
// case), new names numbered from 0xC000 up. 0 with ERROR_INVALID_PARAMETER
// for an empty name, with ERROR_NOT_ENOUGH_MEMORY when the ids run out.
UINT RegisterClipboardFormat(const QString& lpszFormat);
// The name a format was registered with; "" for any other id.
QString GetClipboardFormatName(UINT format);
// The MIME type a format is kept under; "" for 0 and for unregistered ids
// from 0xC000 up. A registered name is lower-cased; letters, digits and "-"
// stay, a blank becomes "+", any other character "_" and its four hex digits
// ("TKitStringGrid Cells" gives application/x-tallowfinch-tkitstringgrid+cells).
QString ClipboardFormatMimeType(UINT format);

// Opens the clipboard for reading and writing. Opening it again before it is
// closed succeeds (and makes hWndNewOwner the window that has it open); one
// CloseClipboard closes it.
BOOL OpenClipboard(HWND hWndNewOwner);
// Publishes what was set since the clipboard was opened, and closes it.
// FALSE with ERROR_CLIPBOARD_NOT_OPEN when it is not open.
BOOL CloseClipboard();
// Drops every format. FALSE with ERROR_CLIPBOARD_NOT_OPEN when the clipboard
// is not open.
BOOL EmptyClipboard();
HWND GetOpenClipboardWindow();
// Sets the data of one format (see above for the text and image formats).
// FALSE with ERROR_CLIPBOARD_NOT_OPEN when the clipboard is not open, with
// ERROR_INVALID_PARAMETER for format 0, an unregistered id or a DIB that does
// not decode.
BOOL SetClipboardData(UINT uFormat, const QByteArray& hMem);
// The data of one format; a null QByteArray when the format is not there,
// and with ERROR_CLIPBOARD_NOT_OPEN when the clipboard is not open.
QByteArray GetClipboardData(UINT uFormat);
BOOL IsClipboardFormatAvailable(UINT format);

// A packed DIB as an image (null when it does not decode), and an image as
// a packed DIB.
QImage DibToImage(const QByteArray& dib);
QByteArray ImageToDib(const QImage& image);
