#include <gtest/gtest.h>

#include <vector>

#include "foundation/KitTypes.h"
#include "tests/support/TestSupport.h"

inline void PrintTo(const TRectF& r, std::ostream* os) {
  *os << "(" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << ")";
}

class TKitTestItem : public TCollectionItem {
 public:
  explicit TKitTestItem(TCollection* Collection) : TCollectionItem(Collection) {}
  int Value = 0;
};

class TKitOtherItem : public TCollectionItem {
 public:
  explicit TKitOtherItem(TCollection* Collection) : TCollectionItem(Collection) {}
};

TEST(KitTypesRectTest, FitInScalesAndCentres) {
  struct Case {
    TRectF r, within, expected;
    float scale;
  };
  const Case cases[] = {
      {{0, 0, 200, 100}, {0, 0, 100, 100}, {0, 25, 100, 75}, 2},
      {{0, 0, 10, 20}, {10, 10, 110, 110}, {35, 10, 85, 110}, 0.2f},
      {{5, 5, 15, 25}, {0, 0, 0, 50}, {5, 5, 15, 25}, 1},  // Within without width: R as it is
      {{0, 0, 0, 0}, {0, 0, 10, 10}, {5, 5, 5, 5}, 1},     // R without extent: only centred
  };
  for (const Case& c : cases) {
    float scale = -7;
    const TRectF result = RectFFitIn(c.r, c.within, scale);
    EXPECT_EQ(result, c.expected);
    EXPECT_FLOAT_EQ(scale, c.scale);
    EXPECT_EQ(RectFFitIn(c.r, c.within), c.expected);
  }
}

TEST(KitTypesRectTest, OverlapsIntersectionAndVoid) {
  struct Case {
    TRectF a, b;
    bool overlaps;
    TRectF intersection;
  };
  const Case cases[] = {
      {{0, 0, 10, 10}, {5, 5, 20, 20}, true, {5, 5, 10, 10}},
      {{0, 0, 10, 10}, {10, 0, 20, 10}, false, {}},   // a shared edge only
      {{0, 0, 10, 10}, {20, 20, 30, 30}, false, {}},  // disjoint
      {{0, 0, 10, 10}, {2, 3, 4, 5}, true, {2, 3, 4, 5}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RectFOverlaps(c.a, c.b), c.overlaps);
    EXPECT_EQ(RectFOverlaps(c.b, c.a), c.overlaps);
    EXPECT_EQ(RectFIntersection(c.a, c.b), c.intersection);
  }
  struct VoidCase {
    TRectF r;
    bool isVoid;
  };
  const VoidCase voids[] = {{{0, 0, 10, 10}, false},   {{10, 0, 0, 10}, true},          {{0, 0, 0.00005f, 10}, true},
                            {{0, 0, 0.001f, 10}, false}, {{10000, 0, 10000.5f, 1}, true}, {{0, 5, 10, 5}, true}};
  for (const VoidCase& c : voids) EXPECT_EQ(RectFIsVoid(c.r), c.isVoid) << ::testing::PrintToString(c.r);
}

TEST(KitTypesRectTest, PointsOffsetsAndCentring) {
  const TRectF r(0, 0, 10, 10);
  struct PointCase {
    TPointF p;
    bool inside;
  };
  for (const PointCase& c : std::vector<PointCase>{{{0, 0}, true}, {{9.99f, 9.99f}, true}, {{10, 5}, false},
                                                   {{5, 10}, false}, {{-0.01f, 5}, false}})
    EXPECT_EQ(RectFHasPoint(r, c.p), c.inside) << c.p.X << "," << c.p.Y;

  TRectF moved = r;
  EXPECT_TRUE(RectFOffset(moved, 3, -2));
  EXPECT_EQ(moved, TRectF(3, -2, 13, 8));
  RectFInflate(moved, 1, -2);
  EXPECT_EQ(moved, TRectF(2, 0, 14, 6));
  EXPECT_FLOAT_EQ(RectFWidth(moved), 12);
  EXPECT_FLOAT_EQ(RectFHeight(moved), 6);

  // (10 - 5) / 2 = 2.5 rounds to the even 2; (10 - 3) / 2 = 3.5 to 4.
  EXPECT_EQ(RectFCenterIn(TRectF(7, 7, 12, 10), TRectF(100, 200, 110, 210)), TRectF(102, 204, 107, 207));
}

TEST(KitTypesRectTest, SnapToPixels) {
  struct Case {
    TRectF r;
    bool half;
    float scale;
    TRectF expected;
  };
  const Case cases[] = {
      {{1.3f, 2.7f, 11.6f, 7.2f}, false, 1, {1, 2, 11, 6}},
      {{1.3f, 2.7f, 11.6f, 7.2f}, true, 1, {1.5f, 2.5f, 11.5f, 6.5f}},
      {{1.3f, 2.7f, 11.6f, 7.2f}, false, 2, {1, 2.5f, 11.5f, 7}},
      {{1.3f, 2.7f, 11.6f, 7.2f}, false, 0, {1, 2, 11, 6}},  // 0 counts as 1
  };
  for (const Case& c : cases) {
    TRectF result(-1, -1, -1, -1);
    RectFSnapToPixels(c.r, c.half, result, c.scale);
    EXPECT_EQ(result, c.expected) << "scale " << c.scale << " half " << c.half;
  }
}

TEST(KitTypesRectTest, ConversionsRoundHalvesToEven) {
  EXPECT_EQ(RectFToRect(TRectF(0.5f, 1.5f, 2.5f, -0.5f)), TRect(0, 2, 2, 0));
  EXPECT_EQ(RectFToRect(TRectF(0.6f, 1.4f, -2.6f, 3.5f)), TRect(1, 1, -3, 4));
  EXPECT_EQ(RectToRectF(TRect(-1, 2, 3, 4)), TRectF(-1, 2, 3, 4));
  EXPECT_EQ(PointToPointF(TPoint(5, -6)), TPointF(5, -6));
  EXPECT_EQ(PointFToSize(TPointF(2.5f, 3.5f)), TSize(2, 4));
  EXPECT_FLOAT_EQ(PointFLength(TPointF(3, -4)), 5);
  EXPECT_EQ(RectCopy(TRect(1, 2, 3, 4)), TRect(1, 2, 3, 4));
}

TEST(KitOwnedCollectionTest, TypedAccessAndEnumeration) {
  TPersistent owner;
  TKitOwnedCollection<TKitTestItem> items(&owner);
  EXPECT_EQ(items.GetOwner(), &owner);
  for (int i = 0; i < 3; ++i) static_cast<TKitTestItem*>(items.Add())->Value = i + 1;
  EXPECT_EQ(items.GetItem(1)->Value, 2);
  EXPECT_THROW(items.GetItem(3), EListError);
  EXPECT_THROW(items.GetItem(-1), EListError);

  auto e = items.GetEnumerator();
  std::vector<int> seen;
  while (e.MoveNext()) seen.push_back(e.Current()->Value);
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
  EXPECT_FALSE(e.MoveNext()) << "stays at the end";

  seen.clear();
  for (TKitTestItem* item : items) seen.push_back(item->Value);
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));

  TKitOwnedCollection<TKitTestItem> empty(nullptr);
  EXPECT_FALSE(empty.GetEnumerator().MoveNext());
  EXPECT_TRUE(empty.begin() == empty.end());

  // An item of another class put into the collection fails the check.
  auto* stranger = new TKitOtherItem(&items);
  EXPECT_THROW(items.GetItem(stranger->Index()), EInvalidCast);
}
