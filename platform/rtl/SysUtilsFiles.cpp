// Files, paths, ticks and sleeping.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "platform/rtl/SysUtils.h"

namespace {
QByteArray Native(const QString& name) { return QFile::encodeName(name); }
}  // namespace

bool FileExists(const QString& fileName) { return !fileName.isEmpty() && QFileInfo(fileName).isFile(); }

bool DirectoryExists(const QString& directory) { return !directory.isEmpty() && QFileInfo(directory).isDir(); }

bool ForceDirectories(const QString& dir) {
  if (dir.isEmpty()) return false;
  return QDir().mkpath(dir);
}

bool CreateDir(const QString& dir) { return !dir.isEmpty() && ::mkdir(Native(dir).constData(), 0777) == 0; }

bool RemoveDir(const QString& dir) { return !dir.isEmpty() && ::rmdir(Native(dir).constData()) == 0; }

bool DeleteFile(const QString& fileName) {
  if (fileName.isEmpty()) return false;
  const QByteArray name = Native(fileName);
  struct stat st;
  // Folders are not files; a symbolic link itself is removed, not its target.
  if (::lstat(name.constData(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  return ::unlink(name.constData()) == 0;
}

bool RenameFile(const QString& oldName, const QString& newName) {
  if (oldName.isEmpty() || newName.isEmpty()) return false;
  const QByteArray from = Native(oldName), to = Native(newName);
  if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // File systems without no-replace renames: check, then rename.
  struct stat st;
  if (::lstat(to.constData(), &st) == 0) return false;
  return ::rename(from.constData(), to.constData()) == 0;
}

QString ExtractFilePath(const QString& fileName) { return fileName.left(LastDelimiter(PathDelim, fileName)); }

QString ExtractFileDir(const QString& fileName) {
  int i = LastDelimiter(PathDelim, fileName);
  // Drop the delimiter unless it is the root or follows another one.
  if (i > 1 && fileName[i - 2] != PathDelim) --i;
  return fileName.left(i);
}

QString ExtractFileName(const QString& fileName) { return fileName.mid(LastDelimiter(PathDelim, fileName)); }

QString ExtractFileExt(const QString& fileName) {
  const int i = LastDelimiter(QStringLiteral("./"), fileName);
  if (i > 0 && fileName[i - 1] == u'.') return fileName.mid(i - 1);
  return {};
}

QString ChangeFileExt(const QString& fileName, const QString& extension) {
  int i = LastDelimiter(QStringLiteral("./"), fileName);
  if (i == 0 || fileName[i - 1] != u'.') i = static_cast<int>(fileName.size()) + 1;
  return fileName.left(i - 1) + extension;
}

QString IncludeTrailingPathDelimiter(const QString& s) { return s.endsWith(PathDelim) ? s : s + PathDelim; }

QString ExcludeTrailingPathDelimiter(const QString& s) {
  // The root folder keeps its only delimiter.
  if (s.size() > 1 && s.endsWith(PathDelim)) return s.left(s.size() - 1);
  return s;
}

QString ExpandFileName(const QString& fileName) {
  if (fileName.isEmpty()) return {};
  const QString absolute = QDir::isAbsolutePath(fileName) ? fileName : QDir::currentPath() + PathDelim + fileName;
  QString clean = QDir::cleanPath(absolute);
  // The parent of the root is the root.
  while (clean.startsWith(QLatin1String("/../"))) clean.remove(0, 3);
  if (clean == QLatin1String("/..")) clean = PathDelim;
  if (fileName.endsWith(PathDelim)) clean = IncludeTrailingPathDelimiter(clean);
  return clean;
}

QString GetCurrentDir() { return QDir::currentPath(); }

bool FileAge(const QString& fileName, TDateTime& fileDateTime) {
  const QFileInfo info(fileName);
  if (fileName.isEmpty() || !info.isFile()) return false;
  fileDateTime = QDateTimeToDateTime(info.lastModified());
  return true;
}

QString GetTempDirectory() { return IncludeTrailingPathDelimiter(QDir::tempPath()); }

namespace {
std::atomic<TTickCountSource> TickCountSource{nullptr};
}

void SetTickCountSource(TTickCountSource Source) { TickCountSource.store(Source); }

UInt64 GetTickCount64() {
  if (TTickCountSource source = TickCountSource.load()) return source();
  using namespace std::chrono;
  return static_cast<UInt64>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

Cardinal GetTickCount() { return static_cast<Cardinal>(GetTickCount64()); }

void Sleep(Cardinal milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }
