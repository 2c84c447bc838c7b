#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>
#include <functional>
#include <memory>
#include <random>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Encoding.h"
#include "tests/support/TestSupport.h"

class TStrProbe : public TObject {
 public:
  explicit TStrProbe(int* ALive) : FLive(ALive) { ++*FLive; }
  ~TStrProbe() override { --*FLive; }

 private:
  int* FLive;
};

namespace {

using testsupport::MessageOf;

QStringList Lines(const TStrings& list) {
  QStringList result;
  for (int i = 0; i < list.Count(); ++i) result << list.Strings(i);
  return result;
}

void Fill(TStrings& list, const QStringList& lines) {
  for (const QString& line : lines) list.Add(line);
}

TBytes Bytes(std::initializer_list<int> values) {
  TBytes result;
  for (int v : values) result.append(static_cast<char>(v));
  return result;
}

TEST(TStringListTest, UnsortedEditing) {
  TStringList list;
  Fill(list, {"one", "two", "three"});
  list.Insert(1, "half");
  list.Insert(4, "end");
  EXPECT_EQ(Lines(list), QStringList({"one", "half", "two", "three", "end"}));
  list.Delete(0);
  list.Exchange(0, 3);
  EXPECT_EQ(Lines(list), QStringList({"end", "two", "three", "half"}));
  list.Move(0, 2);
  EXPECT_EQ(Lines(list), QStringList({"two", "three", "end", "half"}));
  list.SetStrings(1, "THREE");
  EXPECT_EQ(list.IndexOf("three"), 1);  // without case by default
  EXPECT_EQ(list.IndexOf("missing"), -1);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(TStringListTest, IndexErrors) {
  TStringList list;
  Fill(list, {"a", "b"});
  const std::pair<int, std::function<void()>> cases[] = {
      {2, [&] { list.Strings(2); }},       {-1, [&] { list.Strings(-1); }},
      {2, [&] { list.Objects(2); }},       {2, [&] { list.SetStrings(2, "x"); }},
      {3, [&] { list.SetObjects(3, nullptr); }}, {3, [&] { list.Insert(3, "x"); }},
      {-1, [&] { list.Insert(-1, "x"); }}, {2, [&] { list.Delete(2); }},
      {4, [&] { list.Exchange(0, 4); }},   {2, [&] { list.Move(2, 0); }},
      {5, [&] { list.Names(5); }},         {2, [&] { list.ValueFromIndex(2); }},
  };
  for (const auto& [index, action] : cases)
    EXPECT_EQ(MessageOf(action), QStringLiteral("EStringListError: List index out of bounds (%1)").arg(index));
  EXPECT_EQ(Lines(list), QStringList({"a", "b"}));
}

TEST(TStringListTest, SortedInsertionAndDuplicates) {
  struct Case {
    TDuplicates duplicates;
    QStringList expected;
    QString error;
  };
  const Case cases[] = {
      {dupIgnore, {"apple", "Banana", "cherry"}, ""},
      {dupAccept, {"apple", "banana", "Banana", "cherry"}, ""},  // before its equal
      {dupError, {"apple", "Banana", "cherry"}, "EStringListError: String list does not allow duplicates"},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(c.duplicates);
    Fill(list, {"cherry", "Banana", "apple"});
    const QString error = MessageOf([&] { list.Add("banana"); });
    EXPECT_EQ(Lines(list), c.expected) << c.duplicates;
    EXPECT_EQ(error, c.error.isEmpty() ? QStringLiteral("no exception") : c.error);
  }
  TStringList ignoring;
  ignoring.SetSorted(true);
  Fill(ignoring, {"b", "a"});
  EXPECT_EQ(ignoring.Add("B"), 1);  // the index of the one present
}

TEST(TStringListTest, FindReportsPositionAndFirstDuplicate) {
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(dupAccept);
  Fill(list, {"b", "d", "d", "d", "f"});
  struct Case {
    QString s;
    bool found;
    int index;
  };
  for (const Case& c : {Case{"a", false, 0}, Case{"b", true, 0}, Case{"c", false, 1}, Case{"D", true, 1},
                        Case{"e", false, 4}, Case{"z", false, 5}}) {
    int index = -1;
    EXPECT_EQ(list.Find(c.s, index), c.found) << c.s.toStdString();
    EXPECT_EQ(index, c.index) << c.s.toStdString();
  }
  EXPECT_EQ(list.IndexOf("d"), 1);
  EXPECT_EQ(list.IndexOf("c"), -1);
}

TEST(TStringListTest, SortedListRefusesPositionalEdits) {
  TStringList list;
  Fill(list, {"b", "a"});
  list.SetSorted(true);
  EXPECT_EQ(Lines(list), QStringList({"a", "b"}));
  const std::function<void()> edits[] = {
      [&] { list.Insert(0, "c"); },
      [&] { list.SetStrings(0, "c"); },
      [&] { list.Exchange(0, 1); },
      [&] { list.Move(0, 1); },
  };
  for (const auto& edit : edits)
    EXPECT_EQ(MessageOf(edit), "EStringListError: Operation not allowed on sorted list");
  EXPECT_EQ(Lines(list), QStringList({"a", "b"}));
}

TEST(TStringListTest, ComparisonsFollowTheLocale) {
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(dupAccept);
  Fill(list, {"f", QString::fromUtf8("é"), "e", "E", "Z", "a"});
  // Accents sort with their letter and case is ignored: "E" equals "e" and
  // goes before it.
  EXPECT_EQ(Lines(list), QStringList({"a", "E", "e", QString::fromUtf8("é"), "f", "Z"}));

  list.SetCaseSensitive(true);  // re-sorts: lower case first
  EXPECT_EQ(Lines(list), QStringList({"a", "e", "E", QString::fromUtf8("é"), "f", "Z"}));
  EXPECT_EQ(list.IndexOf("e"), 1);
  EXPECT_EQ(list.IndexOf("E"), 2);

  TStringList unsorted;
  Fill(unsorted, {"Alpha", "alpha"});
  EXPECT_EQ(unsorted.IndexOf("ALPHA"), 0);
  unsorted.SetCaseSensitive(true);
  EXPECT_EQ(unsorted.IndexOf("alpha"), 1);
  EXPECT_EQ(unsorted.IndexOf("ALPHA"), -1);
}

TEST(TStringListTest, DistinctStringsAreNeverMergedBySorting) {
  TStringList list;
  list.SetSorted(true);  // dupIgnore
  const QString eszett = QString::fromUtf8("Straße");
  const QString control = QStringLiteral("Ab") + QChar(1);
  Fill(list, {eszett, "Strasse", "Ab", control, "AB"});
  EXPECT_EQ(list.Count(), 4);  // "AB" differs from "Ab" in case only
  EXPECT_GE(list.IndexOf(eszett), 0);
  EXPECT_GE(list.IndexOf("Strasse"), 0);
  EXPECT_GE(list.IndexOf(control), 0);
  EXPECT_NE(list.IndexOf(control), list.IndexOf("Ab"));
}

TEST(TStringListTest, SortAndCustomSort) {
  TStringList list;
  Fill(list, {"ccc", "a", "bb", "dd", "b"});
  list.CustomSort([](TStringList* l, int i, int j) {
    return static_cast<int>(l->Strings(i).size() - l->Strings(j).size());
  });
  EXPECT_EQ(Lines(list), QStringList({"a", "b", "bb", "dd", "ccc"}));  // stable
  list.Sort();
  EXPECT_EQ(Lines(list), QStringList({"a", "b", "bb", "ccc", "dd"}));

  list.SetSorted(true);
  list.CustomSort([](TStringList*, int i, int j) { return j - i; });  // sorted: ignored
  EXPECT_EQ(Lines(list), QStringList({"a", "b", "bb", "ccc", "dd"}));
}

TEST(TStringListTest, ObjectsAndOwnership) {
  int live = 0;
  {
    TStringList list(true);
    for (const char* s : {"a", "b", "c", "d"}) list.AddObject(s, new TStrProbe(&live));
    TObject* third = list.Objects(2);
    EXPECT_EQ(list.IndexOfObject(third), 2);
    list.Delete(0);
    EXPECT_EQ(live, 3);
    std::unique_ptr<TObject> detached(list.Objects(0));
    list.SetObjects(0, nullptr);  // replacing hands the old object back
    EXPECT_EQ(live, 3);
    detached.reset();
    list.Clear();
    EXPECT_EQ(live, 0);
    list.AddObject("x", new TStrProbe(&live));
  }
  EXPECT_EQ(live, 0);

  TStrProbe kept(&live);
  {
    TStringList list;
    list.AddObject("k", &kept);
  }
  EXPECT_EQ(live, 1);
}

TEST(TStringListTest, TextJoinsAndSplitsLines) {
  struct Case {
    QString text;
    QStringList lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"\r\n", {""}},
      {"a\rb\nc\r\nd", {"a", "b", "c", "d"}},
      {"a\n\nb\r\r\nc", {"a", "", "b", "", "c"}},
      {QStringLiteral("nul") + QChar(0) + QStringLiteral("inside\n"), {QStringLiteral("nul") + QChar(0) + "inside"}},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.SetText(c.text);
    EXPECT_EQ(Lines(list), c.lines) << c.text.toStdString();
  }
  TStringList list;
  Fill(list, {"a", "b"});
  EXPECT_EQ(list.Text(), "a\r\nb\r\n");
  list.SetTrailingLineBreak(false);
  EXPECT_EQ(list.Text(), "a\r\nb");
  list.SetLineBreak("|");
  EXPECT_EQ(list.Text(), "a|b");
  list.SetText("x|y\r\nz|");
  EXPECT_EQ(Lines(list), QStringList({"x", "y\r\nz"}));
}

TEST(TStringListTest, DelimitedTextQuotesWhatNeedsIt) {
  struct Case {
    QStringList lines;
    bool strict;
    QString text;
  };
  const Case cases[] = {
      {{"a", "b c", "d\"e", "", "f,g"}, false, "a,\"b c\",\"d\"\"e\",,\"f,g\""},
      {{"a", "b c", "d\"e", "", "f,g"}, true, "a,b c,\"d\"\"e\",,\"f,g\""},
      {{""}, false, "\"\""},
      {{}, false, ""},
      {{"tab\there"}, false, "\"tab\there\""},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.SetStrictDelimiter(c.strict);
    Fill(list, c.lines);
    EXPECT_EQ(list.DelimitedText(), c.text);
  }
  TStringList list;
  Fill(list, {"x y", "z"});
  list.SetDelimiter(u';');
  list.SetQuoteChar(u'\'');
  EXPECT_EQ(list.DelimitedText(), "'x y';z");
  EXPECT_EQ(list.CommaText(), "\"x y\",z");
}

TEST(TStringListTest, DelimitedTextParsing) {
  struct Case {
    QString text;
    bool strict;
    QStringList lines;
  };
  const Case cases[] = {
      {"a, b c ,\"d,e\",\"x\"\"y\",", false, {"a", "b", "c", "d,e", "x\"y", ""}},
      {"a, b c ,\"d,e\",\"x\"\"y\",", true, {"a", " b c ", "d,e", "x\"y", ""}},
      {"  a  ,  ", false, {"a"}},
      {"a,,b", false, {"a", "", "b"}},
      {"\"ab\"cd,e", false, {"ab", "cd", "e"}},
      {"\"open", false, {"open"}},
      {"", false, {}},
      {"\"\"", false, {""}},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.SetStrictDelimiter(c.strict);
    list.SetDelimitedText(c.text);
    EXPECT_EQ(Lines(list), c.lines) << c.text.toStdString() << (c.strict ? " strict" : "");
  }
  TStringList list;
  list.SetDelimiter(u';');
  list.SetCommaText("one,\"two;three\"");
  EXPECT_EQ(Lines(list), QStringList({"one", "two;three"}));
  EXPECT_EQ(list.Delimiter(), u';');  // CommaText leaves the settings alone
}

TEST(TStringListTest, NamesAndValues) {
  TStringList list;
  Fill(list, {"Host=example.org", "Port=8080", "plain", "Empty=", "Path=a=b"});
  EXPECT_EQ(list.Names(0), "Host");
  EXPECT_EQ(list.Names(2), "");
  EXPECT_EQ(list.Values("PORT"), "8080");
  EXPECT_EQ(list.Values("Path"), "a=b");
  EXPECT_EQ(list.Values("missing"), "");
  EXPECT_EQ(list.ValueFromIndex(2), "");
  EXPECT_EQ(list.ValueFromIndex(-1), "");
  EXPECT_EQ(list.IndexOfName("empty"), 3);
  EXPECT_EQ(list.IndexOfName("plain"), -1);

  list.SetValues("Port", "443");
  list.SetValues("User", "me");
  list.SetValues("Host", "");
  EXPECT_EQ(Lines(list), QStringList({"Port=443", "plain", "Empty=", "Path=a=b", "User=me"}));

  list.SetNameValueSeparator(u':');
  list.SetValues("Mode", "fast");
  EXPECT_EQ(list.Values("mode"), "fast");
  EXPECT_EQ(list.Strings(list.Count() - 1), "Mode:fast");

  TStringList sorted;
  sorted.SetSorted(true);
  Fill(sorted, {"b=2", "d=4"});
  sorted.SetValues("c", "3");
  EXPECT_EQ(Lines(sorted), QStringList({"b=2", "c=3", "d=4"}));
}

TEST(TStringListTest, ChangeEventsOnlyAtTheOuterLevel) {
  TStringList list;
  QStringList events;
  list.OnChanging = [&](TObject* sender) {
    EXPECT_EQ(sender, &list);
    events << "changing";
  };
  list.OnChange = [&](TObject*) { events << "change"; };
  list.Add("a");
  EXPECT_EQ(events, QStringList({"changing", "change"}));

  events.clear();
  list.BeginUpdate();
  list.BeginUpdate();
  list.Add("b");
  list.Delete(0);
  list.EndUpdate();
  EXPECT_EQ(events, QStringList({"changing"}));
  list.EndUpdate();
  EXPECT_EQ(events, QStringList({"changing", "change"}));

  events.clear();
  list.SetText("x\ny\nz");
  EXPECT_EQ(events, QStringList({"changing", "change"}));
  list.EndUpdate();  // unmatched: ignored
  EXPECT_EQ(list.UpdateCount(), 0);
}

TEST(TStringListTest, AssignAddStringsAndEquals) {
  TStringList source;
  int live = 0;
  TStrProbe object(&live);
  source.AddObject("b", &object);
  source.Add("a");
  source.SetDelimiter(u';');
  source.SetLineBreak("\n");
  source.SetCaseSensitive(true);
  source.SetSorted(true);

  TStringList copy;
  copy.Add("old");
  copy.Assign(&source);
  EXPECT_EQ(Lines(copy), QStringList({"a", "b"}));
  EXPECT_EQ(copy.Objects(1), &object);
  EXPECT_EQ(copy.Delimiter(), u';');
  EXPECT_EQ(copy.LineBreak(), "\n");
  EXPECT_TRUE(copy.Sorted());
  EXPECT_TRUE(copy.CaseSensitive());
  EXPECT_TRUE(copy.Equals(&source));

  copy.AddStrings(&copy);  // adding a list to itself doubles it once
  EXPECT_EQ(copy.Count(), 2);  // sorted, dupIgnore
  copy.SetSorted(false);
  copy.AddStrings(&copy);
  EXPECT_EQ(Lines(copy), QStringList({"a", "b", "a", "b"}));
  EXPECT_FALSE(copy.Equals(&source));

  TStringList other;
  Fill(other, {"a", "B"});
  EXPECT_FALSE(other.Equals(&source));  // exact comparison

  TComponent component(nullptr);
  EXPECT_EQ(MessageOf([&] { copy.Assign(&component); }),
            "EConvertError: Cannot assign a TComponent to a TStringList");
}

TEST(TStringListTest, LargeListsMatchAPlainModel) {
  // Thousands of edits at scattered places, checked against a QStringList.
  std::mt19937 random(7);
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
  TStringList list;
  QStringList model;
  for (int step = 0; step < 20000; ++step) {
    const int action = pick(10);
    const QString s = QString::number(step);
    if (action < 5 || model.isEmpty()) {
      const int at = pick(static_cast<int>(model.size()) + 1);
      list.Insert(at, s);
      model.insert(at, s);
    } else if (action < 7) {
      const int at = pick(static_cast<int>(model.size()));
      list.Delete(at);
      model.removeAt(at);
    } else if (action < 8) {
      const int from = pick(static_cast<int>(model.size())), to = pick(static_cast<int>(model.size()));
      list.Move(from, to);
      model.move(from, to);
    } else if (action < 9) {
      const int a = pick(static_cast<int>(model.size())), b = pick(static_cast<int>(model.size()));
      list.Exchange(a, b);
      model.swapItemsAt(a, b);
    } else {
      const int at = pick(static_cast<int>(model.size()));
      list.SetStrings(at, s);
      model[at] = s;
    }
  }
  ASSERT_EQ(Lines(list), model);
  EXPECT_EQ(list.IndexOf(model.last()), model.size() - 1);

  list.SetSorted(true);  // sorted and searched across many blocks
  for (const QString& s : model) {
    int index = -1;
    ASSERT_TRUE(list.Find(s, index)) << s.toStdString();
    EXPECT_EQ(list.Strings(index), s);
  }
  for (int i = 1; i < list.Count(); ++i) ASSERT_LT(QString::localeAwareCompare(list.Strings(i - 1), list.Strings(i)), 0);

  // Deleting a long run empties whole blocks.
  model = Lines(list);
  const int from = list.Count() / 3, run = list.Count() / 2;
  for (int i = 0; i < run; ++i) list.Delete(from);
  model.remove(from, run);
  ASSERT_EQ(Lines(list), model);
  list.SetSorted(false);
  list.Insert(from, "joint");
  model.insert(from, "joint");
  EXPECT_EQ(Lines(list), model);
}

// ---------------------------------------------------------------------------
// Loading and saving

class TStringListFileTest : public ::testing::Test {
 protected:
  testsupport::TempDir dir;

  TBytes SaveBytes(TStringList& list, TEncoding* encoding = nullptr) {
    TMemoryStream stream;
    list.SaveToStream(&stream, encoding);
    return TBytes(static_cast<const char*>(stream.Memory()), static_cast<qsizetype>(stream.Size()));
  }
  void LoadBytes(TStringList& list, const TBytes& bytes, TEncoding* encoding = nullptr) {
    TBytesStream stream(bytes);
    list.LoadFromStream(&stream, encoding);
  }
};

TEST_F(TStringListFileTest, AnsiSaveReplacesWhatWindows1252CannotHold) {
  TStringList list;
  Fill(list, {QString::fromUtf8("café €"), QString::fromUtf8("Ω ok")});
  EXPECT_EQ(SaveBytes(list, TEncoding::ANSI()), Bytes({'c', 'a', 'f', 0xE9, ' ', 0x80, '\r', '\n', '?', ' ', 'o', 'k', '\r', '\n'}));
  EXPECT_EQ(SaveBytes(list), SaveBytes(list, TEncoding::ANSI()));  // the default encoding
}

TEST_F(TStringListFileTest, Utf8WithBomRoundTripsThroughAFile) {
  TStringList list;
  Fill(list, {QString::fromUtf8("Zoë"), QString::fromUtf8("日本")});
  const QString path = dir.File("utf8.txt");
  list.SaveToFile(path, TEncoding::UTF8());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const TBytes bytes = file.readAll();
  EXPECT_TRUE(bytes.startsWith(Bytes({0xEF, 0xBB, 0xBF, 'Z', 'o', 0xC3, 0xAB, '\r', '\n'})));

  TStringList loaded;
  loaded.LoadFromFile(path);
  EXPECT_EQ(Lines(loaded), Lines(list));
  EXPECT_EQ(loaded.Encoding(), TEncoding::UTF8());
  // Saved again without naming an encoding: the one it was loaded with.
  loaded.SetWriteBOM(false);
  EXPECT_EQ(SaveBytes(loaded), bytes.mid(3));
}

TEST_F(TStringListFileTest, EncodingDetectionAndFallbacks) {
  TStringList list;
  LoadBytes(list, Bytes({0xFF, 0xFE, 'h', 0, 'i', 0, '\r', 0, '\n', 0, 0xA9, 0x03}));
  EXPECT_EQ(Lines(list), QStringList({"hi", QString::fromUtf8("Ω")}));
  EXPECT_EQ(list.Encoding(), TEncoding::Unicode());

  const TBytes plain = Bytes({'n', 0xE9, '\n', 'x'});
  LoadBytes(list, plain);  // no mark, no encoding: the default (ANSI)
  EXPECT_EQ(Lines(list), QStringList({QString::fromUtf8("né"), "x"}));
  EXPECT_EQ(list.Encoding(), TEncoding::ANSI());

  list.SetDefaultEncoding(TEncoding::UTF8());
  LoadBytes(list, Bytes({'n', 0xC3, 0xA9}));
  EXPECT_EQ(Lines(list), QStringList({QString::fromUtf8("né")}));
  EXPECT_EQ(list.Encoding(), TEncoding::UTF8());

  LoadBytes(list, Bytes({0xEF, 0xBB, 0xBF, 'a'}), TEncoding::UTF8());  // its own mark is skipped
  EXPECT_EQ(Lines(list), QStringList({"a"}));

  TStringList fresh;
  EXPECT_EQ(fresh.Encoding(), nullptr);
  EXPECT_EQ(fresh.DefaultEncoding(), TEncoding::Default());
  Fill(fresh, {"a"});
  EXPECT_EQ(SaveBytes(fresh, TEncoding::Unicode()), Bytes({0xFF, 0xFE, 'a', 0, '\r', 0, '\n', 0}));
}

TEST_F(TStringListFileTest, MissingFileRaisesOpenError) {
  TStringList list;
  const QString message = MessageOf([&] { list.LoadFromFile(dir.File("none.txt")); });
  EXPECT_EQ(message, QStringLiteral("EFOpenError: Cannot open file \"%1\". No such file or directory")
                         .arg(dir.File("none.txt")));
}

}  // namespace
