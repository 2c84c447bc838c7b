#pragma once
// Helpers shared by the test binaries.

#include <QString>
#include <QTemporaryDir>
#include <ostream>

// Lets GoogleTest print QString values in failure messages.
void PrintTo(const QString& s, std::ostream* os);

namespace testsupport {
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
