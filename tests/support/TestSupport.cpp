#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/SysUtils.h"

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace testsupport {
QString MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& e) {
    return e.ClassName() + QStringLiteral(": ") + e.Message();
  }
  return QStringLiteral("no exception");
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

namespace {
std::vector<void (*)()>& EarlyWork() {
  static std::vector<void (*)()> work;
  return work;
}
}  // namespace

bool BeforeApplication(void (*work)()) {
  EarlyWork().push_back(work);
  return true;
}

void RunBeforeApplication() {
  for (auto work : EarlyWork()) work();
}

}  // namespace testsupport
