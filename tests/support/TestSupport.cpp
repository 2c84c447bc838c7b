#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/rtl/SysUtils.h"

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace testsupport {

namespace {
// Removes a folder tree, waiting a moment for writers that are still ending.
bool RemoveTree(const QString& path) {
  QElapsedTimer timer;
  timer.start();
  while (!QDir(path).removeRecursively() || QFileInfo::exists(path)) {
    if (timer.elapsed() > 3000) return false;
    if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(20);
  }
  return true;
}

// The files below a folder (folders alone do not count).
QStringList FilesBelow(const QString& path) {
  QStringList files;
  QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    it.next();
    if (!it.fileInfo().isDir() || it.fileInfo().isSymLink()) files << it.filePath();
  }
  return files;
}

}  // namespace

QString MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& e) {
    return e.ClassName() + QStringLiteral(": ") + e.Message();
  }
  return QStringLiteral("no exception");
}

QString RaisedMessage(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& e) {
    return e.Message();
  }
  return QString();
}

QString TestOutputFolder() {
  const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/test-output");
  QDir().mkpath(dir);
  return dir;
}

QByteArray ReadBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
  ASSERT_EQ(f.write(bytes), bytes.size()) << path.toStdString();
}

EnvOverride::EnvOverride(const char* name, const QString& value)
    : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
  if (value.isNull()) qunsetenv(name);
  else qputenv(name, value.toLocal8Bit());
}

EnvOverride::~EnvOverride() {
  if (had_) qputenv(name_.constData(), old_);
  else qunsetenv(name_.constData());
}

const TFormatSettings& GermanSettings() {
  static const TFormatSettings settings = TFormatSettings::Create("de-DE");
  return settings;
}

const TFormatSettings& FrenchSettings() {
  static const TFormatSettings settings = TFormatSettings::Create("fr-FR");
  return settings;
}

TempDir::TempDir() { EXPECT_TRUE(dir_.isValid()) << "cannot create a temporary folder"; }

TempDir::~TempDir() {
  if (!dir_.isValid()) return;
  dir_.setAutoRemove(false);
  if (!RemoveTree(dir_.path())) ADD_FAILURE() << "temporary folder left behind: " << dir_.path().toStdString();
}

namespace {
std::vector<void (*)()>& EarlyWork() {
  static std::vector<void (*)()> work;
  return work;
}
}  // namespace

ProcessTempFolder::ProcessTempFolder() {
  QByteArray tmpl = QFile::encodeName(QDir::tempPath() + QStringLiteral("/tf-test-XXXXXX"));
  if (!::mkdtemp(tmpl.data())) {
    std::fprintf(stderr, "cannot create the test process's temporary folder\n");
    return;
  }
  path_ = QFile::decodeName(tmpl);
  qputenv("TMPDIR", tmpl);
  if (!qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) {
    const QByteArray runtime = tmpl + "/runtime";
    if (::mkdir(runtime.constData(), 0700) == 0) qputenv("XDG_RUNTIME_DIR", runtime);
  }
}

ProcessTempFolder::~ProcessTempFolder() {
  if (!path_.isEmpty()) RemoveTree(path_);
}

int ProcessTempFolder::Finish(int status) {
  if (path_.isEmpty()) return status;
  const QString own = QStringLiteral("tallowfinch-%1").arg(::geteuid());
  const QString runtime = QFileInfo(QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"))).absoluteFilePath();
  QStringList left;
  for (const QFileInfo& entry :
       QDir(path_).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
    if (entry.absoluteFilePath() == runtime) continue;
    // The engine's helper processes make ".org.chromium.Chromium.*" folders
    // in TMPDIR and remove them as they exit, which on a busy machine can be
    // after this process's last test: the engine's, not a test's.
    const bool engineScratch = entry.fileName().startsWith(QLatin1String(".org.chromium.Chromium."));
    if ((entry.fileName() == own && entry.isDir() && !entry.isSymLink()) || engineScratch) {
      if (const QStringList engine = FilesBelow(entry.absoluteFilePath()); !engine.isEmpty())
        std::fprintf(stderr, "engine files left in %s after its browsers went: %d (removed)\n",
                     qPrintable(entry.absoluteFilePath()), int(engine.size()));
      continue;
    }
    left << entry.absoluteFilePath();
  }
  for (const QString& entry : left)
    std::fprintf(stderr, "left behind in the temporary folder: %s\n", qPrintable(entry));
  if (!RemoveTree(path_)) std::fprintf(stderr, "cannot remove %s\n", qPrintable(path_));
  path_.clear();
  return left.isEmpty() ? status : 1;
}

bool BeforeApplication(void (*work)()) {
  EarlyWork().push_back(work);
  return true;
}

void RunBeforeApplication() {
  for (auto work : EarlyWork()) work();
}

}  // namespace testsupport
