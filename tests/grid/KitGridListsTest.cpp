// The integer list (binary searches, notifications, text form), the sort
// index list and its "u2;d0" form, and the line list with its cursor.

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "grid/model/KitGridLists.h"
#include "tests/support/TestSupport.h"

namespace {

// A list that counts its notifications and checks that they carry its cell.
class Counted {
 public:
  explicit Counted(std::initializer_list<int> items, int col = 3, int row = 5) : List(col, row) {
    for (int item : items) List.Insert(List.Count(), item);  // Insert does not notify
    List.OnChange = [this, col, row](TObject* Sender, int ACol, int ARow) {
      EXPECT_EQ(Sender, &List);
      EXPECT_EQ(ACol, col);
      EXPECT_EQ(ARow, row);
      ++Notifications;
    };
  }
  ~Counted() { List.OnChange = nullptr; }

  std::vector<int> Items() const {
    std::vector<int> items;
    for (int i = 0; i < List.Count(); ++i) items.push_back(List.Items(i));
    return items;
  }

  TIntList List;
  int Notifications = 0;
};

}  // namespace

TEST(KitGridListsTest, BinarySearches) {
  struct Case {
    std::vector<int> Items;
    int Value;
    int IndexOf;
    int PosOf;
  };
  const Case cases[] = {
      {{1, 3, 5, 7}, 5, 2, 2}, {{1, 3, 7}, 5, -1, 2},    {{}, 5, -1, 0},
      {{1, 3, 5, 7}, 4, -1, 2}, {{1, 3, 5, 7}, 9, -1, 4}, {{1, 3, 5, 7}, 0, -1, 0},
      {{5}, 5, 0, 0},           {{5}, 6, -1, 1},          {{1, 3, 5, 7}, 7, 3, 3},
      {{-4, -2}, -3, -1, 1},
  };
  for (const Case& c : cases) {
    TIntList list(0, 0);
    for (int item : c.Items) list.Insert(list.Count(), item);
    EXPECT_EQ(list.SortedIndexOf(c.Value), c.IndexOf) << c.Value;
    EXPECT_EQ(list.SortedPosOf(c.Value), c.PosOf) << c.Value;
  }
}

TEST(KitGridListsTest, NotifyingAndSilentOperations) {
  struct Case {
    const char* Name;
    std::initializer_list<int> Start;
    void (*Op)(TIntList&);
    std::vector<int> After;
    int Notifications;
  };
  const Case cases[] = {
      {"sorted insert", {1, 3, 5, 7}, [](TIntList& l) { l.Insert(4); }, {1, 3, 4, 5, 7}, 0},
      {"sorted insert into empty", {}, [](TIntList& l) { l.Insert(4); }, {4}, 1},
      {"sorted insert of an equal value", {1, 4, 7}, [](TIntList& l) { l.Insert(4); }, {1, 4, 4, 7}, 0},
      {"positional insert", {1, 2}, [](TIntList& l) { l.Insert(0, 9); }, {9, 1, 2}, 0},
      {"add", {1}, [](TIntList& l) { l.Add(2); }, {1, 2}, 1},
      {"write", {1, 2}, [](TIntList& l) { l.SetItems(1, 8); }, {1, 8}, 1},
      {"delete", {1, 2}, [](TIntList& l) { l.Delete(0); }, {2}, 1},
      {"delete value", {1, 2, 1}, [](TIntList& l) { l.DeleteValue(1); }, {2, 1}, 1},
      {"delete absent value", {1, 2}, [](TIntList& l) { l.DeleteValue(5); }, {1, 2}, 0},
      {"clear", {1, 2}, [](TIntList& l) { l.Clear(); }, {}, 1},
      {"text form", {9}, [](TIntList& l) { l.SetStrValue(u"4, 5"_qs); }, {4, 5}, 3},
      {"quoted text form", {}, [](TIntList& l) { l.SetStrValue(u"\"4\",5 6"_qs); }, {4, 5, 6}, 4},
  };
  for (const Case& c : cases) {
    Counted counted(c.Start);
    c.Op(counted.List);
    EXPECT_EQ(counted.Items(), c.After) << c.Name;
    EXPECT_EQ(counted.Notifications, c.Notifications) << c.Name;
  }
}

TEST(KitGridListsTest, TextFormAndErrors) {
  Counted counted({3, 1, 7});
  EXPECT_EQ(counted.List.StrValue(), u"3,1,7"_qs);
  EXPECT_TRUE(counted.List.HasValue(7));
  EXPECT_FALSE(counted.List.HasValue(4));
  EXPECT_EQ(TIntList(0, 0).StrValue(), QString());

  // The items before a bad one stay; the error is the conversion's.
  EXPECT_EQ(testsupport::MessageOf([&] { counted.List.SetStrValue(u"4,x,6"_qs); }),
            u"EConvertError: 'x' is not a valid integer value"_qs);
  EXPECT_EQ(counted.Items(), (std::vector<int>{4}));

  // Bad indexes raise and change nothing, whatever their sign.
  const int before = counted.Notifications;
  EXPECT_EQ(testsupport::MessageOf([&] { counted.List.Items(1); }),
            u"EListError: List index out of bounds (1)"_qs);
  EXPECT_EQ(testsupport::MessageOf([&] { counted.List.SetItems(-1, 0); }),
            u"EListError: List index out of bounds (-1)"_qs);
  EXPECT_EQ(testsupport::MessageOf([&] { counted.List.Delete(5); }),
            u"EListError: List index out of bounds (5)"_qs);
  EXPECT_EQ(testsupport::MessageOf([&] { counted.List.Insert(3, 0); }),
            u"EListError: List index out of bounds (3)"_qs);
  EXPECT_EQ(counted.Items(), (std::vector<int>{4}));
  EXPECT_EQ(counted.Notifications, before);
}

TEST(KitGridListsTest, ClearingOnDestructionNotifies) {
  int notifications = 0;
  {
    TIntList list(1, 1);
    list.Add(1);
    list.OnChange = [&](TObject*, int, int) { ++notifications; };
  }
  EXPECT_EQ(notifications, 1);
}

TEST(KitGridListsTest, SortIndexTextForm) {
  TSortIndexList list;
  list.AddIndex(3, false);
  list.AddIndex(1, true);
  EXPECT_EQ(list.SaveToString(), u"d3;u1"_qs);
  EXPECT_EQ(list.SortColumns(0), 3);
  EXPECT_FALSE(list.SortDirections(0));
  EXPECT_TRUE(list.SortDirections(1));

  struct Case {
    const char16_t* Text;
    const char16_t* Saved;  // the list as saved again
  };
  const Case cases[] = {
      {u"d3;u1", u"d3;u1"},
      {u"x;u2;;U4", u"u2;d4"},     // one-letter and empty entries skipped, "U" descends
      {u"", u""},
      {u"u2;", u"u2"},
      {u"u70000", u"u4464"},       // written from the low 16 bits
      {u"dx", u"d0"},              // a column that is no integer reads as 0
  };
  for (const Case& c : cases) {
    TSortIndexList loaded;
    loaded.LoadFromString(QString::fromUtf16(c.Text));
    EXPECT_EQ(loaded.SaveToString(), QString::fromUtf16(c.Saved)) << QString::fromUtf16(c.Text).toStdString();
  }
  TSortIndexList loaded;
  loaded.LoadFromString(u"u70000"_qs);
  EXPECT_EQ(loaded.SortColumns(0), 70000);
}

TEST(KitGridListsTest, SortIndexWritersAndToggle) {
  TSortIndexList list;
  list.AddIndex(2, true);
  list.AddIndex(5, false);
  int notifications = 0;
  list.OnChange = [&](TObject*, int, int) { ++notifications; };

  list.ToggleIndex(9);  // not in the list
  EXPECT_EQ(notifications, 0);
  list.ToggleIndex(5);
  EXPECT_TRUE(list.SortDirections(1));
  EXPECT_EQ(list.FindIndex(5), 1);
  EXPECT_EQ(list.FindIndex(4), -1);

  list.SetSortDirections(0, false);
  list.SetSortColumns(0, 7);  // keeps the direction
  EXPECT_EQ(list.SortColumns(0), 7);
  EXPECT_FALSE(list.SortDirections(0));
  EXPECT_EQ(list.SaveToString(), u"d7;u5"_qs);
  EXPECT_EQ(notifications, 3);
  list.OnChange = nullptr;
}

TEST(KitGridListsTest, FileStringListCursor) {
  TFileStringList lines;
  EXPECT_TRUE(lines.Eof());
  lines.Write(u"a"_qs);
  lines.Write(u"b"_qs);
  lines.WriteLn(u"c"_qs);
  lines.WriteLn(u"d"_qs);
  ASSERT_EQ(lines.Count(), 2);
  EXPECT_EQ(lines.Strings(0), u"abc"_qs);
  EXPECT_EQ(lines.Strings(1), u"d"_qs);

  lines.Reset();
  QString line;
  lines.ReadLn(line);
  EXPECT_EQ(line, u"abc"_qs);
  EXPECT_FALSE(lines.Eof());
  lines.ReadLn(line);
  EXPECT_EQ(line, u"d"_qs);
  EXPECT_TRUE(lines.Eof());
  EXPECT_EQ(testsupport::MessageOf([&] { lines.ReadLn(line); }),
            u"EStringListError: List index out of bounds (2)"_qs);
  EXPECT_EQ(lines.ReadPos(), 2);
}
