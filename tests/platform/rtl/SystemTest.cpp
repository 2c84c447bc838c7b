#include <gtest/gtest.h>

#include "platform/rtl/SysUtils.h"
#include "tests/support/TestSupport.h"

namespace {
class TSample : public TObject {};
enum TSampleOption { soOne, soTwo, soThree };
}  // namespace

class TGlobalSample : public TObject {};

TEST(TObjectTest, ClassNameIsTheMostDerivedName) {
  TGlobalSample sample;
  const TObject& base = sample;
  EXPECT_EQ(base.ClassName(), "TGlobalSample");
  EXPECT_TRUE(base.InheritsFrom<TGlobalSample>());
  EXPECT_FALSE(base.InheritsFrom<TSample>());
}

TEST(TObjectTest, ExceptionsCarryTheirMessageAndClass) {
  try {
    throw EConvertError("bad value");
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "bad value");
    EXPECT_STREQ(e.what(), "bad value");
    EXPECT_EQ(e.ClassName(), "EConvertError");
  }
}

TEST(TSetTest, IncludeExcludeAndOperators) {
  TSet<TSampleOption> s{soOne};
  s << soThree;
  EXPECT_TRUE(s.Contains(soOne));
  EXPECT_FALSE(s.Contains(soTwo));
  EXPECT_TRUE(s.Contains(soThree));
  s >> soOne;
  EXPECT_EQ(s, (TSet<TSampleOption>{soThree}));
  EXPECT_EQ((TSet<TSampleOption>{soOne, soTwo} * TSet<TSampleOption>{soTwo, soThree}),
            TSet<TSampleOption>{soTwo});
  EXPECT_TRUE((TSet<TSampleOption>{soOne} - TSet<TSampleOption>{soOne}).Empty());
}
