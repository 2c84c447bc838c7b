// The grid's parts with rules of their own: the size-and-offset table of an
// axis, the current cell with its anchor, and the sparse cell store.

#include <gtest/gtest.h>

#include <map>

#include "platform/vcl/GridsPrivate.h"
#include "tests/support/TestSupport.h"

using namespace GridsDetail;
using testsupport::MessageOf;

namespace {

// An axis with the given sizes and line width.
TGridAxis MakeAxis(std::initializer_list<int> Sizes, int Line) {
  TGridAxis axis(10);
  axis.SetCount(int(Sizes.size()));
  axis.SetLineWidth(Line);
  int i = 0;
  for (int s : Sizes) axis.SetSize(i++, s);
  return axis;
}

}  // namespace

// --- the axis ------------------------------------------------------------------

TEST(GridAxis, OffsetsAndHitTestsFollowSizesLinesAndHiddenItems) {
  // Sizes 30, hidden, 0, 20, 40 with a line of 1: extents 31, 0, 1, 21, 41.
  const TGridAxis axis = MakeAxis({30, -1, 0, 20, 40}, 1);
  struct TOffset {
    int Index;
    int64_t Offset;
  };
  for (const TOffset& o : std::initializer_list<TOffset>{{0, 0}, {1, 31}, {2, 31}, {3, 32}, {4, 53}, {5, 94}}) {
    SCOPED_TRACE(o.Index);
    EXPECT_EQ(axis.Offset(o.Index), o.Offset);
  }
  EXPECT_EQ(axis.Total(), 94);
  EXPECT_EQ(axis.Extent(1), 0);
  EXPECT_TRUE(axis.IsHidden(1));
  EXPECT_FALSE(axis.IsHidden(2));
  struct THit {
    int64_t Pos;
    int Item;
  };
  const THit hits[] = {
      {-1, -1}, {0, 0},  {29, 0}, {30, 0},  // the line after a cell belongs to it
      {31, 2},                              // the hidden item is passed over; size 0 keeps its line
      {32, 3},  {52, 3}, {53, 4}, {93, 4}, {94, -1}, {1000, -1},
  };
  for (const THit& h : hits) {
    SCOPED_TRACE(h.Pos);
    EXPECT_EQ(axis.ItemAt(h.Pos), h.Item);
  }
  EXPECT_EQ(axis.Span(1, 4), 22);
  EXPECT_EQ(axis.Span(4, 1), 0);
}

TEST(GridAxis, OffsetsStayRightThroughResizesCountsLinesAndMoves) {
  TGridAxis axis(10);
  axis.SetCount(100);
  EXPECT_EQ(axis.Total(), 1000);
  axis.SetSize(50, 110);
  EXPECT_EQ(axis.Offset(51), 610);
  EXPECT_EQ(axis.ItemAt(609), 50);
  EXPECT_EQ(axis.ItemAt(610), 51);
  axis.SetLineWidth(2);
  EXPECT_EQ(axis.Offset(51), 610 + 51 * 2);
  axis.SetCount(120);  // new items take the default size
  EXPECT_EQ(axis.Size(119), 10);
  EXPECT_EQ(axis.Total(), 1100 + 20 * 10 + 120 * 2);
  axis.Move(50, 0);  // the wide item goes first
  EXPECT_EQ(axis.Size(0), 110);
  EXPECT_EQ(axis.Size(50), 10);
  EXPECT_EQ(axis.Offset(1), 112);
  axis.SetDefaultSize(5);  // every item takes it
  EXPECT_EQ(axis.Size(0), 5);
  EXPECT_EQ(axis.Total(), 120 * 7);
  axis.SetCount(3);
  EXPECT_EQ(axis.Total(), 21);
  // Against a plain sum after many random-ish changes.
  TGridAxis big(3);
  big.SetCount(1000);
  std::vector<int> sizes(1000, 3);
  for (int i = 0; i < 1000; ++i) {
    const int s = (i * 37) % 23 - 3;  // some hidden
    big.SetSize((i * 7) % 1000, s);
    sizes[size_t((i * 7) % 1000)] = s;
  }
  int64_t sum = 0;
  for (int i = 0; i < 1000; ++i) {
    ASSERT_EQ(big.Offset(i), sum) << i;
    if (sizes[size_t(i)] > 0) {
      ASSERT_EQ(big.ItemAt(sum), i) << i;
    }
    sum += std::max(sizes[size_t(i)], 0);
  }
}

TEST(GridAxis, BadIndexesAndCountsRaiseAndChangeNothing) {
  TGridAxis axis = MakeAxis({10, 20}, 0);
  EXPECT_EQ(MessageOf([&] { axis.Size(2); }), "EInvalidGridOperation: Grid index out of range");
  EXPECT_EQ(MessageOf([&] { axis.SetSize(-1, 5); }), "EInvalidGridOperation: Grid index out of range");
  EXPECT_EQ(MessageOf([&] { axis.Offset(3); }), "EInvalidGridOperation: Grid index out of range");
  EXPECT_EQ(MessageOf([&] { axis.Move(0, 2); }), "EInvalidGridOperation: Grid index out of range");
  EXPECT_EQ(MessageOf([&] { axis.SetCount(-1); }), "EInvalidGridOperation: Grid too large for operation");
  EXPECT_EQ(MessageOf([&] { axis.SetCount(TGridAxis::MaxCount + 1); }),
            "EInvalidGridOperation: Grid too large for operation");
  EXPECT_EQ(axis.Count(), 2);
  EXPECT_EQ(axis.Total(), 30);
  // Sizes are cut, not refused.
  axis.SetSize(0, 1000000);
  EXPECT_EQ(axis.Size(0), TGridAxis::MaxSize);
  axis.SetLineWidth(-4);
  EXPECT_EQ(axis.LineWidth(), 0);
}

// --- selection with its anchor ---------------------------------------------------

TEST(GridAnchorSelection, MovesExtendsNormalisesAndSelectsRows) {
  using TMode = TGridAnchorSelection::TMode;
  const TMode range{true, false, false, 6, 1};
  const TMode single{false, false, false, 6, 1};
  const TMode rows{true, true, false, 6, 1};
  const TMode editing{true, false, true, 6, 1};
  struct TCase {
    const char* Name;
    std::function<void(TGridAnchorSelection&)> Steps;
    TGridCoord Current, Anchor;
    TGridRect Selection;
  };
  const TCase cases[] = {
      {"move with anchor", [&](auto& s) { s.MoveCurrent({3, 2}, true, range); }, {3, 2}, {3, 2}, {3, 2, 3, 2}},
      {"extend keeps the anchor",
       [&](auto& s) {
         s.MoveCurrent({3, 2}, true, range);
         s.MoveCurrent({1, 5}, false, range);
       },
       {1, 5}, {3, 2}, {1, 2, 3, 5}},
      {"no range select: the anchor follows",
       [&](auto& s) {
         s.MoveCurrent({3, 2}, true, single);
         s.MoveCurrent({1, 5}, false, single);
       },
       {1, 5}, {1, 5}, {1, 5, 1, 5}},
      {"anchor drag",
       [&](auto& s) {
         s.MoveCurrent({4, 4}, true, range);
         EXPECT_TRUE(s.MoveAnchor({2, 1}, range));
       },
       {4, 4}, {2, 1}, {2, 1, 4, 4}},
      {"anchor drag while editing moves the current cell",
       [&](auto& s) {
         s.MoveCurrent({4, 4}, true, editing);
         EXPECT_FALSE(s.MoveAnchor({2, 1}, editing));
       },
       {2, 1}, {2, 1}, {2, 1, 2, 1}},
      {"row select spans the row",
       [&](auto& s) { s.MoveCurrent({3, 2}, true, rows); }, {1, 2}, {5, 2}, {1, 2, 5, 2}},
      {"row select range",
       [&](auto& s) {
         s.MoveCurrent({3, 2}, true, rows);
         s.MoveCurrent({4, 6}, false, rows);
       },
       {1, 6}, {5, 2}, {1, 2, 5, 6}},
      {"set normalises",
       [&](auto& s) { s.Set(TGridRect{4, 5, 2, 1}); }, {4, 5}, {2, 1}, {2, 1, 4, 5}},
      {"column moved past both ends",
       [&](auto& s) {
         s.Set(TGridRect{2, 1, 4, 3});
         s.AdjustForMove(true, 2, 5);  // the anchor's column goes to 5, 3..5 close up
       },
       {3, 3}, {5, 1}, {3, 1, 5, 3}},
      {"row moved in front",
       [&](auto& s) {
         s.Set(TGridRect{2, 1, 4, 3});
         s.AdjustForMove(false, 4, 1);
       },
       {4, 4}, {2, 2}, {2, 2, 4, 4}},
      {"clamp into a smaller grid",
       [&](auto& s) {
         s.Set(TGridRect{1, 1, 9, 9});
         s.Clamp(4, 3);
       },
       {3, 2}, {1, 1}, {1, 1, 3, 2}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TGridAnchorSelection s;
    s.Reset({1, 1}, range);
    c.Steps(s);
    EXPECT_EQ(s.Current(), c.Current);
    EXPECT_EQ(s.Anchor(), c.Anchor);
    EXPECT_EQ(s.Selection(), c.Selection);
  }
  EXPECT_EQ(MoveAdjust(7, 2, 5), 7);
  EXPECT_EQ(MoveAdjust(0, 2, 5), 0);
}

// --- the sparse store -------------------------------------------------------------

TEST(GridCellStore, CellsFarBeyondAnyCountAreAddressableAndSparse) {
  TGridCellStore store;
  TObject marker;
  EXPECT_EQ(store.Text(5000, 100000), QString());
  EXPECT_EQ(store.Object(5000, 100000), nullptr);
  EXPECT_EQ(store.RowSpan(), 0);  // reading allocates nothing
  store.SetText(3, 2, QStringLiteral("x"));
  store.SetText(0, 500, QString());  // empty text in an empty cell: nothing
  store.SetObject(7, 600, nullptr);
  EXPECT_EQ(store.RowSpan(), 3);
  store.SetCell(TGridCellStore::MaxCols - 1, TGridCellStore::MaxRows - 1, QStringLiteral("far"), &marker);
  EXPECT_EQ(store.Text(TGridCellStore::MaxCols - 1, TGridCellStore::MaxRows - 1), QStringLiteral("far"));
  EXPECT_EQ(store.Object(TGridCellStore::MaxCols - 1, TGridCellStore::MaxRows - 1), &marker);
  // The object slot keeps its object whatever the text does.
  store.SetText(TGridCellStore::MaxCols - 1, TGridCellStore::MaxRows - 1, QString());
  EXPECT_TRUE(store.Assigned(TGridCellStore::MaxCols - 1, TGridCellStore::MaxRows - 1));
  std::vector<std::pair<int, int>> found;
  store.ForEachObject([&](int c, int r, TObject* o) {
    EXPECT_EQ(o, &marker);
    found.push_back({c, r});
  });
  EXPECT_EQ(found, (std::vector<std::pair<int, int>>{{TGridCellStore::MaxCols - 1, TGridCellStore::MaxRows - 1}}));
  store.Clear();
}

TEST(GridCellStore, MovesRotateRowsAndColumnsAndClearsEmpty) {
  TGridCellStore store;
  auto fill = [&] {
    store.Clear();
    for (int r = 0; r < 4; ++r)
      for (int c = 0; c < 3; ++c) store.SetText(c, r, QStringLiteral("%1%2").arg(QChar(u'a' + c)).arg(r));
  };
  auto row = [&](int r) {
    QString s;
    for (int c = 0; c < 4; ++c) s += store.Text(c, r).isEmpty() ? QStringLiteral("-") : store.Text(c, r);
    return s;
  };
  fill();
  store.MoveRow(0, 2);
  EXPECT_EQ(row(0), "a1b1c1-");
  EXPECT_EQ(row(1), "a2b2c2-");
  EXPECT_EQ(row(2), "a0b0c0-");
  EXPECT_EQ(row(3), "a3b3c3-");
  store.MoveRow(3, 0);
  EXPECT_EQ(row(0), "a3b3c3-");
  EXPECT_EQ(row(1), "a1b1c1-");
  fill();
  store.MoveColumn(0, 3);  // into a column nothing was written to
  EXPECT_EQ(row(0), "b0c0-a0");
  store.MoveColumn(3, 1);
  EXPECT_EQ(row(2), "b2a2c2-");
  // Moving rows no one wrote moves nothing.
  store.MoveRow(100, 200);
  EXPECT_EQ(store.RowSpan(), 4);
  // A row moved far beyond the written ones stays addressable there.
  store.MoveRow(1, 1000);
  EXPECT_EQ(row(1000), "b1a1c1-");
  EXPECT_EQ(row(1), "b2a2c2-");
  store.ClearColumn(1);
  EXPECT_EQ(row(0), "b0-c0-");
  store.ClearRow(0);
  EXPECT_EQ(row(0), "----");
}

TEST(GridCellStore, BadIndexesRaiseTheListErrorAndTouchNothing) {
  TGridCellStore store;
  store.SetText(1, 1, QStringLiteral("keep"));
  struct TCase {
    const char* Name;
    std::function<void()> Call;
    const char* Message;
  };
  const TCase cases[] = {
      {"negative column read", [&] { store.Text(-1, 0); }, "EStringListError: List index out of bounds (-1)"},
      {"negative row write", [&] { store.SetText(0, -7, QStringLiteral("x")); },
       "EStringListError: List index out of bounds (-7)"},
      {"column beyond the store", [&] { store.SetObject(TGridCellStore::MaxCols, 0, nullptr); },
       "EStringListError: List index out of bounds (65536)"},
      {"row beyond the store", [&] { store.Object(0, TGridCellStore::MaxRows); },
       "EStringListError: List index out of bounds (16777216)"},
      {"move from a bad row", [&] { store.MoveRow(-1, 1); }, "EStringListError: List index out of bounds (-1)"},
      {"move to a bad column", [&] { store.MoveColumn(1, -3); }, "EStringListError: List index out of bounds (-3)"},
      {"clear a bad row", [&] { store.ClearRow(-2); }, "EStringListError: List index out of bounds (-2)"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(MessageOf(c.Call), QString::fromLatin1(c.Message));
  }
  EXPECT_EQ(store.Text(1, 1), QStringLiteral("keep"));
  EXPECT_EQ(store.RowSpan(), 2);
}
