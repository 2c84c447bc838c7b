#include <gtest/gtest.h>

#include <QStringList>
#include <functional>

#include "platform/rtl/Classes.h"
#include "tests/support/TestSupport.h"

// Counts its live instances.
class TListProbe : public TObject {
 public:
  explicit TListProbe(int AValue, int* ALive) : Value(AValue), FLive(ALive) { ++*FLive; }
  ~TListProbe() override { --*FLive; }
  int Value;

 private:
  int* FLive;
};

namespace {

using testsupport::MessageOf;

class TListTest : public ::testing::Test {
 protected:
  int values[5] = {10, 20, 30, 40, 50};
  TTypedList<int> list;

  void Fill(std::initializer_list<int> indexes) {
    for (int i : indexes) list.Add(&values[i]);
  }
  std::vector<int> Contents() const {
    std::vector<int> result;
    for (int i = 0; i < list.Count(); ++i) result.push_back(list.Items(i) ? *list.Items(i) : 0);
    return result;
  }
};

TEST_F(TListTest, AddInsertDeleteRemoveAndExtract) {
  Fill({0, 1, 2});
  list.Insert(0, &values[3]);
  list.Insert(4, &values[4]);
  EXPECT_EQ(Contents(), (std::vector<int>{40, 10, 20, 30, 50}));
  list.Delete(1);
  EXPECT_EQ(list.Remove(&values[2]), 2);
  EXPECT_EQ(list.Remove(&values[2]), -1);
  EXPECT_EQ(list.Extract(&values[4]), &values[4]);
  EXPECT_EQ(list.Extract(&values[4]), nullptr);
  EXPECT_EQ(Contents(), (std::vector<int>{40, 20}));
  EXPECT_EQ(list.IndexOf(&values[1]), 1);
  EXPECT_EQ(*list.First(), 40);
  EXPECT_EQ(*list.Last(), 20);
}

TEST_F(TListTest, ExchangeMoveSortAndPack) {
  Fill({2, 0, 4, 1, 3});
  list.Exchange(0, 4);
  EXPECT_EQ(Contents(), (std::vector<int>{40, 10, 50, 20, 30}));
  list.Move(0, 3);
  EXPECT_EQ(Contents(), (std::vector<int>{10, 50, 20, 40, 30}));
  list.Sort([](int* a, int* b) { return *a - *b; });
  EXPECT_EQ(Contents(), (std::vector<int>{10, 20, 30, 40, 50}));
  list.SetItems(1, nullptr);
  list.Add(nullptr);
  EXPECT_EQ(list.Count(), 6);
  list.Pack();
  EXPECT_EQ(Contents(), (std::vector<int>{10, 30, 40, 50}));
}

TEST_F(TListTest, SortIsStableAndSurvivesAnInconsistentComparison) {
  int keys[8] = {3, 1, 3, 2, 1, 3, 2, 1};
  for (int& k : keys) list.Add(&k);
  list.Sort([](int* a, int* b) { return *a - *b; });
  std::vector<int*> expected = {&keys[1], &keys[4], &keys[7], &keys[3], &keys[6], &keys[0], &keys[2], &keys[5]};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(list.Items(i), expected[static_cast<size_t>(i)]) << i;
  list.Sort([](int*, int*) { return 1; });  // nonsense order, but no harm
  EXPECT_EQ(list.Count(), 8);
}

TEST_F(TListTest, CountAndCapacity) {
  Fill({0, 1, 2});
  list.SetCount(5);
  EXPECT_EQ(Contents(), (std::vector<int>{10, 20, 30, 0, 0}));
  list.SetCount(2);
  EXPECT_EQ(Contents(), (std::vector<int>{10, 20}));
  list.SetCapacity(10);
  EXPECT_EQ(list.Capacity(), 10);
  EXPECT_EQ(MessageOf([&] { list.SetCapacity(1); }), "EListError: List capacity out of bounds (1)");
  EXPECT_EQ(MessageOf([&] { list.SetCount(-1); }), "EListError: List count out of bounds (-1)");
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 0);
}

TEST_F(TListTest, EveryIndexIsChecked) {
  Fill({0, 1});
  const std::pair<int, std::function<void()>> cases[] = {
      {2, [&] { list.Items(2); }},          {-1, [&] { list.Items(-1); }},
      {2, [&] { list.SetItems(2, nullptr); }}, {3, [&] { list.Insert(3, nullptr); }},
      {-1, [&] { list.Insert(-1, nullptr); }}, {2, [&] { list.Delete(2); }},
      {5, [&] { list.Exchange(0, 5); }},     {-1, [&] { list.Exchange(-1, 0); }},
      {2, [&] { list.Move(0, 2); }},         {7, [&] { list.Move(7, 0); }},
  };
  for (const auto& [index, action] : cases)
    EXPECT_EQ(MessageOf(action), QStringLiteral("EListError: List index out of bounds (%1)").arg(index));
  list.Clear();
  EXPECT_EQ(MessageOf([&] { list.First(); }), "EListError: List index out of bounds (0)");
  EXPECT_EQ(MessageOf([&] { list.Last(); }), "EListError: List index out of bounds (-1)");
}

TEST(TObjectListTest, OwnedObjectsDieWithTheirEntries) {
  int live = 0;
  {
    TTypedObjectList<TListProbe> list;
    for (int i = 0; i < 6; ++i) list.Add(new TListProbe(i, &live));
    EXPECT_EQ(live, 6);
    list.Delete(0);
    EXPECT_EQ(live, 5);
    TListProbe* second = list.Items(0);
    EXPECT_EQ(list.Remove(second), 0);
    EXPECT_EQ(live, 4);
    std::unique_ptr<TListProbe> extracted(list.Extract(list.Items(0)));
    EXPECT_EQ(live, 4);  // handed back, not deleted
    list.SetItems(0, new TListProbe(9, &live));
    EXPECT_EQ(live, 4);  // the replaced one was deleted
    list.SetCount(2);
    EXPECT_EQ(live, 3);
    EXPECT_EQ(list.Count(), 2);
  }
  EXPECT_EQ(live, 0);
}

TEST(TObjectListTest, WithoutOwnershipNothingIsDeleted) {
  int live = 0;
  TListProbe a(1, &live), b(2, &live);
  {
    TObjectList list(false);
    EXPECT_FALSE(list.OwnsObjects());
    list.Add(&a);
    list.Add(&b);
    list.Delete(0);
    list.Clear();
    list.Add(&a);
  }
  EXPECT_EQ(live, 2);
}

}  // namespace
