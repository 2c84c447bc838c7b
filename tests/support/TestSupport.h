#pragma once
// Helpers shared by the test binaries.

#include <QString>
#include <QTemporaryDir>
#include <ostream>

// Lets GoogleTest print QString values in failure messages.
void PrintTo(const QString& s, std::ostream* os);

namespace testsupport {
// Registers work that must run before the QApplication exists (engine
// settings, URL schemes). Called from a static initializer of a test binary;
// the shared test main runs the registered work first.
bool BeforeApplication(void (*work)());
void RunBeforeApplication();

// A fresh temporary folder removed when the object dies.
class TempDir {
 public:
  TempDir();
  QString Path() const { return dir_.path(); }
  QString File(const QString& name) const { return dir_.filePath(name); }

 private:
  QTemporaryDir dir_;
};
}  // namespace testsupport
