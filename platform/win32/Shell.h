#pragma once
// Shell services of the platform layer: opening documents and web addresses
// with the desktop's default program, beeps, the user's special folders and
// the folder for temporary files.
//
// Opening and beeping go through a replaceable service object, so tests
// see what would have been opened or sounded and nothing leaves the process.
// ShellExecute decides what may be opened before the service is called: only
// http, https and mailto addresses and existing local files and folders.
// Programs are never started.
//
// Not covered (logged under tf.win when asked for): ShellExecute verbs other
// than "open" (refused with SE_ERR_NOASSOC) and its parameters (left out);
// SHGetFolderPath folders other than the documents, application-data and
// program-files ones (E_INVALIDARG).

#include <QString>
#include <QUrl>

#include "platform/win32/WinTypes.h"

// ---------------------------------------------------------------------------
// The shell service

class TShellService {
 public:
  virtual ~TShellService() = default;
  // Hands an address that ShellExecute accepted to the desktop: an http,
  // https or mailto URL, or the file: URL of an existing local file or
  // folder. False when nothing could open it.
  virtual bool OpenUrl(const QUrl& Url) = 0;
  // The system sound of a message box type (MB_OK, MB_ICONHAND ... or
  // 0xFFFFFFFF for the simple beep).
  virtual void MessageBeep(UINT uType) = 0;
  // A tone; Beep has checked the frequency.
  virtual void Beep(DWORD dwFreq, DWORD dwDuration) = 0;
};

// Installs the service and answers the one installed before (nullptr when
// that was the default). nullptr puts the default back: QDesktopServices for
// opening and QApplication::beep for both sounds. Not owned; GUI thread only.
TShellService* SetShellService(TShellService* Service);
TShellService& ShellService();

// ---------------------------------------------------------------------------
// ShellExecute

// Show commands.
inline constexpr INT SW_HIDE = 0;
inline constexpr INT SW_SHOWNORMAL = 1;
inline constexpr INT SW_NORMAL = 1;
inline constexpr INT SW_SHOWMINIMIZED = 2;
inline constexpr INT SW_SHOWMAXIMIZED = 3;
inline constexpr INT SW_MAXIMIZE = 3;
inline constexpr INT SW_SHOWNOACTIVATE = 4;
inline constexpr INT SW_SHOW = 5;
inline constexpr INT SW_MINIMIZE = 6;
inline constexpr INT SW_SHOWMINNOACTIVE = 7;
inline constexpr INT SW_SHOWNA = 8;
inline constexpr INT SW_RESTORE = 9;
inline constexpr INT SW_SHOWDEFAULT = 10;

// ShellExecute's error codes (the success value is above 32).
inline constexpr int SE_ERR_FNF = 2;
inline constexpr int SE_ERR_PNF = 3;
inline constexpr int SE_ERR_ACCESSDENIED = 5;
inline constexpr int SE_ERR_OOM = 8;
inline constexpr int SE_ERR_SHARE = 26;
inline constexpr int SE_ERR_ASSOCINCOMPLETE = 27;
inline constexpr int SE_ERR_DDETIMEOUT = 28;
inline constexpr int SE_ERR_DDEFAIL = 29;
inline constexpr int SE_ERR_DDEBUSY = 30;
inline constexpr int SE_ERR_NOASSOC = 31;
inline constexpr int SE_ERR_DLLNOTFOUND = 32;

// Opens lpFile with the desktop's default program and answers a value above
// 32 on success (Win32 hands the same code back as an HINSTANCE), or:
// - SE_ERR_NOASSOC for a verb other than "open" (or empty), and when the
//   desktop could not open the address;
// - SE_ERR_ACCESSDENIED for an address that is refused: any scheme other
//   than http, https, mailto and file (javascript:, data:, ftp:, custom
//   schemes ...), an http(s) address without a host, an empty mailto, an
//   address that does not parse strictly, a file: URL with a host, query or
//   fragment, and a local file that is a program (executable, or a desktop
//   launcher by its name or its content, also behind a link) or neither a
//   regular file nor a folder;
// - SE_ERR_FNF for an empty name or a missing file, SE_ERR_PNF when its
//   folder is missing too.
// Text that starts with "scheme:" (two characters or more) is an address;
// anything else is a file name, relative to lpDirectory when that is given.
// Parameters and the show command do not apply to documents and are not
// used. GetLastError() holds the error code after a failure.
int ShellExecute(HWND hwnd, const QString& lpOperation, const QString& lpFile,
                 const QString& lpParameters, const QString& lpDirectory, INT nShowCmd);

// ---------------------------------------------------------------------------
// Sounds

inline constexpr UINT MB_SIMPLEBEEP = 0xFFFFFFFF;

// Plays the sound of a message box type through the shell service.
BOOL MessageBeep(UINT uType);
// Sounds a tone of dwFreq hertz (37 to 32767) for dwDuration milliseconds
// through the shell service, without blocking. Another frequency answers
// FALSE with ERROR_INVALID_PARAMETER.
BOOL Beep(DWORD dwFreq, DWORD dwDuration);

// ---------------------------------------------------------------------------
// Special folders

inline constexpr int CSIDL_PERSONAL = 0x0005;
inline constexpr int CSIDL_MYDOCUMENTS = CSIDL_PERSONAL;
inline constexpr int CSIDL_APPDATA = 0x001A;
inline constexpr int CSIDL_LOCAL_APPDATA = 0x001C;
inline constexpr int CSIDL_PROGRAM_FILES = 0x0026;
inline constexpr int CSIDL_PROGRAM_FILESX86 = 0x002A;
inline constexpr int CSIDL_FLAG_CREATE = 0x8000;
inline constexpr int CSIDL_FLAG_MASK = 0xFF00;

inline constexpr DWORD SHGFP_TYPE_CURRENT = 0;
inline constexpr DWORD SHGFP_TYPE_DEFAULT = 1;

// The path of a special folder of the current user, without a trailing "/":
// - CSIDL_PERSONAL: the XDG documents folder;
// - CSIDL_APPDATA: the XDG configuration home (~/.config);
// - CSIDL_LOCAL_APPDATA: the XDG data home (~/.local/share);
// - CSIDL_PROGRAM_FILES and CSIDL_PROGRAM_FILESX86: /opt, where add-on
//   programs are installed.
// S_OK with the path; E_FAIL (and an empty path) when the folder does not
// exist, unless CSIDL_FLAG_CREATE is given and it can be created; E_INVALIDARG
// for another CSIDL. The window, token and type flags do not apply.
HRESULT SHGetFolderPath(HWND hwnd, int csidl, HANDLE hToken, DWORD dwFlags, QString& pszPath);

// The folder for temporary files ($TMPDIR, else /tmp), with a trailing "/".
QString GetTempPath();
// The same into a buffer: the length without the terminating zero; when
// nBufferLength is too small, the size needed with the terminator and the
// buffer is left alone.
DWORD GetTempPath(DWORD nBufferLength, LPWSTR lpBuffer);

// A temporary file name in the folder PathName: the folder, a "/" when it
// has none at its end, the first three characters of PrefixString, four
// upper-case hexadecimal digits and ".tmp". With uUnique 0 the digits are
// picked (from a random start, counting up past taken names) so that no file
// of that name exists, the empty file is created with owner-only access
// (never through an existing name or link) and the number used is answered.
// Otherwise the low 16 bits of uUnique give the digits and nothing is checked
// or created; a value whose low 16 bits are 0 fails with
// ERROR_INVALID_PARAMETER. 0 on failure, with GetLastError:
// ERROR_PATH_NOT_FOUND when PathName is empty or no folder,
// ERROR_ACCESS_DENIED when the file cannot be made there, ERROR_FILE_EXISTS
// when all 65535 names are taken.
UINT GetTempFileName(const QString& PathName, const QString& PrefixString, UINT uUnique,
                     QString& TempFileName);
