#pragma once
// Helpers shared by the test binaries.

#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <ostream>

struct TFormatSettings;

// Lets GoogleTest print QString values in failure messages.
void PrintTo(const QString& s, std::ostream* os);

namespace testsupport {
// Registers work that must run before the QApplication exists (engine
// settings, URL schemes). Called from a static initializer of a test binary;
// the shared test main runs the registered work first.
bool BeforeApplication(void (*work)());
void RunBeforeApplication();

// "EClassName: message" of the exception the action raises, or "no exception".
QString MessageOf(const std::function<void()>& action);

// Format settings of a "," locale, for tests that run the same table under
// the pinned "." settings and a "," settings record.
const TFormatSettings& GermanSettings();
const TFormatSettings& FrenchSettings();

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
