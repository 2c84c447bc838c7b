// Shell services: the address policy of ShellExecute, beeps, special
// folders and the temporary folder.

#include "platform/win32/Shell.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <algorithm>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "platform/rtl/SysUtils.h"
#include "platform/win32/LogCategories.h"

namespace {

class TDesktopShellService : public TShellService {
 public:
  bool OpenUrl(const QUrl& Url) override { return QDesktopServices::openUrl(Url); }
  void MessageBeep(UINT) override { QApplication::beep(); }
  void Beep(DWORD, DWORD) override { QApplication::beep(); }
};

TShellService* gShellService = nullptr;

// What ShellExecute answers on success: any value above 32 means success.
constexpr int kShellExecuteOk = 42;

int Fail(int code) {
  SetLastError(static_cast<DWORD>(code));
  return code;
}

bool LooksLikeAddress(const QString& text) {
  // Two characters at least, so that "C:\..." stays a file name.
  static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.\\-]+:"));
  return scheme.match(text).hasMatch();
}

// Checks a local file or folder and turns it into a file: URL, or answers
// the error code.
int LocalFileUrl(const QString& path, QUrl& url) {
  const QFileInfo info(path);
  if (!info.exists()) return info.absoluteDir().exists() ? SE_ERR_FNF : SE_ERR_PNF;
  if (info.isFile()) {
    // Programs and launchers (by name or by content, also behind a link).
    const QFileInfo target(info.canonicalFilePath());
    const QMimeType type = QMimeDatabase().mimeTypeForFile(target);
    if (info.isExecutable() || type.inherits(QStringLiteral("application/x-desktop")) ||
        target.suffix().compare(QLatin1String("desktop"), Qt::CaseInsensitive) == 0)
      return SE_ERR_ACCESSDENIED;
  } else if (!info.isDir()) {
    return SE_ERR_ACCESSDENIED;
  }
  url = QUrl::fromLocalFile(info.absoluteFilePath());
  return 0;
}

}  // namespace

TShellService* SetShellService(TShellService* Service) {
  TShellService* previous = gShellService;
  gShellService = Service;
  return previous;
}

TShellService& ShellService() {
  static TDesktopShellService desktopService;
  return gShellService ? *gShellService : desktopService;
}

int ShellExecute(HWND, const QString& lpOperation, const QString& lpFile, const QString& lpParameters,
                 const QString& lpDirectory, INT) {
  if (!lpOperation.isEmpty() && lpOperation.compare(QLatin1String("open"), Qt::CaseInsensitive) != 0) {
    LogNotCovered(lcWin(), QStringLiteral("ShellExecute: verb \"%1\" (only \"open\"; refused)").arg(lpOperation));
    return Fail(SE_ERR_NOASSOC);
  }
  if (!lpParameters.isEmpty())
    LogNotCovered(lcWin(), QStringLiteral("ShellExecute: parameters (programs are never started; left out)"));
  if (lpFile.isEmpty()) return Fail(SE_ERR_FNF);

  QUrl url;
  if (LooksLikeAddress(lpFile)) {
    const QUrl address(lpFile, QUrl::StrictMode);
    if (!address.isValid()) return Fail(SE_ERR_ACCESSDENIED);
    const QString scheme = address.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
      if (address.host().isEmpty()) return Fail(SE_ERR_ACCESSDENIED);
      url = address;
    } else if (scheme == QLatin1String("mailto")) {
      if (address.path().isEmpty()) return Fail(SE_ERR_ACCESSDENIED);
      url = address;
    } else if (scheme == QLatin1String("file")) {
      if (!address.host().isEmpty() || address.hasQuery() || address.hasFragment() ||
          !address.isLocalFile() || address.path().isEmpty())
        return Fail(SE_ERR_ACCESSDENIED);
      if (const int error = LocalFileUrl(address.toLocalFile(), url)) return Fail(error);
    } else {
      return Fail(SE_ERR_ACCESSDENIED);
    }
  } else {
    const QString path = QDir::isRelativePath(lpFile) && !lpDirectory.isEmpty()
                             ? QDir(lpDirectory).filePath(lpFile)
                             : lpFile;
    if (const int error = LocalFileUrl(path, url)) return Fail(error);
  }

  if (!ShellService().OpenUrl(url)) return Fail(SE_ERR_NOASSOC);
  return kShellExecuteOk;
}

BOOL MessageBeep(UINT uType) {
  ShellService().MessageBeep(uType);
  return TRUE;
}

BOOL Beep(DWORD dwFreq, DWORD dwDuration) {
  if (dwFreq < 0x25 || dwFreq > 0x7FFF) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  ShellService().Beep(dwFreq, dwDuration);
  return TRUE;
}

HRESULT SHGetFolderPath(HWND, int csidl, HANDLE, DWORD, QString& pszPath) {
  pszPath.clear();
  QString path;
  switch (csidl & ~CSIDL_FLAG_MASK) {
    case CSIDL_PERSONAL:
      path = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
      break;
    case CSIDL_APPDATA:
      path = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
      break;
    case CSIDL_LOCAL_APPDATA:
      path = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
      break;
    case CSIDL_PROGRAM_FILES:
    case CSIDL_PROGRAM_FILESX86:
      path = QStringLiteral("/opt");
      break;
    default:
      LogNotCovered(lcWin(),
                    QStringLiteral("SHGetFolderPath: CSIDL 0x%1 (refused)").arg(csidl & ~CSIDL_FLAG_MASK, 0, 16));
      return E_INVALIDARG;
  }
  if (path.isEmpty()) return E_FAIL;
  path = QDir::cleanPath(path);
  if (!QFileInfo(path).isDir()) {
    if (!(csidl & CSIDL_FLAG_CREATE) || !QDir().mkpath(path)) return E_FAIL;
  }
  pszPath = path;
  return S_OK;
}

QString GetTempPath() { return GetTempDirectory(); }

DWORD GetTempPath(DWORD nBufferLength, LPWSTR lpBuffer) {
  const QString path = GetTempPath();
  const auto length = static_cast<DWORD>(path.size());
  if (!lpBuffer || nBufferLength < length + 1) return length + 1;
  std::copy(path.utf16(), path.utf16() + length, lpBuffer);
  lpBuffer[length] = 0;
  return length;
}

UINT GetTempFileName(const QString& PathName, const QString& PrefixString, UINT uUnique,
                     QString& TempFileName) {
  TempFileName.clear();
  if (PathName.isEmpty() || !QFileInfo(PathName).isDir()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return 0;
  }
  const QString folder = PathName.endsWith(u'/') ? PathName : PathName + u'/';
  const QString prefix = folder + PrefixString.left(3);
  auto nameOf = [&prefix](UINT number) {
    return prefix + QString::number(number, 16).toUpper().rightJustified(4, u'0') +
           QStringLiteral(".tmp");
  };

  if (uUnique != 0) {
    const UINT number = uUnique & 0xFFFF;
    if (number == 0) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
    TempFileName = nameOf(number);
    SetLastError(ERROR_SUCCESS);
    return number;
  }

  // A random start makes the names hard to guess; O_EXCL with O_NOFOLLOW
  // never opens an existing file or follows a planted link.
  UINT number = QRandomGenerator::global()->bounded(1u, 0x10000u);
  for (int tries = 0; tries < 0xFFFF; ++tries) {
    const QString name = nameOf(number);
    const int fd = ::open(QFile::encodeName(name).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) {
      ::close(fd);
      TempFileName = name;
      SetLastError(ERROR_SUCCESS);
      return number;
    }
    if (errno != EEXIST) {
      SetLastError(errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND : ERROR_ACCESS_DENIED);
      return 0;
    }
    number = number == 0xFFFF ? 1 : number + 1;
  }
  SetLastError(ERROR_FILE_EXISTS);
  return 0;
}
