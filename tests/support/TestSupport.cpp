#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace testsupport {

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
