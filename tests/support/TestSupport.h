#pragma once
// Helpers shared by the test binaries.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <ostream>
#include <typeinfo>

#include "platform/rtl/System.h"

struct TFormatSettings;

// Lets GoogleTest print QString values in failure messages.
void PrintTo(const QString& s, std::ostream* os);

namespace testsupport {
// Registers work that must run before the QApplication exists (engine
// settings, URL schemes). Called from a static initializer of a test binary;
// the shared test main runs the registered work first.
bool BeforeApplication(void (*work)());
void RunBeforeApplication();

// The temporary folder of a test process: a fresh folder under the system's
// one, made the process's TMPDIR (and XDG_RUNTIME_DIR, when none is set) for
// everything the process and its children write there. Finish lists on
// stderr what the process left in it, removes it and answers the status, 1
// when something was left behind. The program's private folder
// (tallowfinch-<uid>) does not count: the engine may write its profile's last
// files there after a browser deleted its cache folder; they are counted on
// stderr and removed with the rest.
class ProcessTempFolder {
 public:
  ProcessTempFolder();
  ~ProcessTempFolder();
  ProcessTempFolder(const ProcessTempFolder&) = delete;
  ProcessTempFolder& operator=(const ProcessTempFolder&) = delete;
  int Finish(int status);

 private:
  QString path_;
};

// "EClassName: message" of the exception the action raises, or "no exception".
QString MessageOf(const std::function<void()>& action);
// The message alone of the exception the action raises, or "" when none.
QString RaisedMessage(const std::function<void()>& action);
// The message of the exception of class E the action raises, or "<no E>"
// (an exception of another class goes on).
template <class E>
QString ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const E& e) {
    return e.Message();
  }
  return QStringLiteral("<no %1>").arg(DemangledTypeName(typeid(E).name()));
}

// The bytes of a file, or "<missing>" when it cannot be read.
QByteArray ReadBytes(const QString& path);
// Writes the bytes to a file, making its folder when missing; the test fails
// when it cannot.
void WriteBytes(const QString& path, const QByteArray& bytes);

// Folder for pictures a test writes for a look by eye: test-output/ next to
// the test binary (made when missing).
QString TestOutputFolder();

// Format settings of a "," locale, for tests that run the same table under
// the pinned "." settings and a "," settings record.
const TFormatSettings& GermanSettings();
const TFormatSettings& FrenchSettings();

// Sets an environment variable (or, with a null value, unsets it) for the
// object's lifetime; the old value or its absence comes back after.
class EnvOverride {
 public:
  EnvOverride(const char* name, const QString& value);
  ~EnvOverride();
  EnvOverride(const EnvOverride&) = delete;
  EnvOverride& operator=(const EnvOverride&) = delete;

 private:
  QByteArray name_;
  bool had_;
  QByteArray old_;
};

// A fresh temporary folder removed when the object dies, with everything in
// it; files that other processes (the engine's helpers) still write into it
// for a moment are waited for and removed too.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  QString Path() const { return dir_.path(); }
  QString File(const QString& name) const { return dir_.filePath(name); }

 private:
  QTemporaryDir dir_;
};
}  // namespace testsupport
