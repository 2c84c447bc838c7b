#include <gtest/gtest.h>
#include "platform/vcl/Themes.h"
TEST(Styles, Smoke) { EXPECT_GE(TStyleManager::StyleNames().size(), 12); }
