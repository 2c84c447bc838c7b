#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace testsupport {
TempDir::TempDir() { EXPECT_TRUE(dir_.isValid()) << "cannot create a temporary folder"; }
}  // namespace testsupport
