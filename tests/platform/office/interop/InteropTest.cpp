#include <gtest/gtest.h>
TEST(OfficeInterop, Placeholder) {}
