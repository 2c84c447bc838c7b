// Delimited text: the writer's cell rules, the reader's splitting and
// delimiter detection, the skipping and limiting of lines, row growth,
// progress, the "File is empty" cases, malformed input that leaves the grid
// as it was, appending without re-encoding, and a round trip of awkward
// texts.

#include <gtest/gtest.h>

#include <QFile>
#include <functional>
#include <vector>

#include "grid/model/KitGrid.h"
#include "platform/rtl/Streams.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/TestSupport.h"

using gridtest::NewGrid;

namespace {

std::unique_ptr<TKitStringGrid> PlainGrid(int Cols, int Rows) {
  auto g = NewGrid();
  g->SetFixedRows(0);
  g->SetFixedCols(0);
  g->SetColCount(Cols);
  g->SetRowCount(Rows);
  return g;
}

// The grid's cells row by row (stored texts).
QList<QStringList> Cells(TKitStringGrid& g) {
  QList<QStringList> rows;
  for (int r = 0; r < g.RowCount(); ++r) {
    QStringList row;
    for (int c = 0; c < g.ColCount(); ++c) row << g.GridCells(c, r);
    rows << row;
  }
  return rows;
}

void LoadText(TKitStringGrid& g, const QString& Text, int MaxRows = -1, int IgnoreRows = -1) {
  TBytesStream stream(TEncoding::UTF8()->GetPreamble() + Text.toUtf8());
  g.LoadFromCSVStream(&stream, MaxRows, IgnoreRows);
}

struct TFieldCase {
  const char* Name;
  QString Text;
  std::function<void(TKitStringGrid&)> Setup;
  QString Field;
};

TEST(GridCsvWriter, CellRulesGiveTheField) {
  auto none = [](TKitStringGrid&) {};
  const std::vector<TFieldCase> cases = {
      {"quote doubled and enclosed", u"a\"b"_qs, none, u"\"a\"\"b\""_qs},
      {"empty as two quotes", QString(), none, u"\"\""_qs},
      {"empty unquoted", QString(), [](TKitStringGrid& g) { g.SetQuoteEmptyCells(false); }, QString()},
      {"empty as caret (Java)", QString(), [](TKitStringGrid& g) { g.SetJavaCSV(true); }, u"^"_qs},
      {"delimiter enclosed", u"x,y"_qs, none, u"\"x,y\""_qs},
      {"delimiter and quotes", u"say \"hi\", ok"_qs, none, u"\"say \"\"hi\"\", ok\""_qs},
      {"CR LF as vertical tab", u"l1\r\nl2"_qs, none, u"\"l1\u000Bl2\""_qs},
      {"lone LF as vertical tab", u"l1\nl2"_qs, none, u"\"l1\u000Bl2\""_qs},
      {"Java line break as tilde", u"l1\r\nl2"_qs, [](TKitStringGrid& g) { g.SetJavaCSV(true); }, u"l1~l2"_qs},
      {"multi-line cell kept", u"l1\r\nl2"_qs, [](TKitStringGrid& g) { g.SetMultilinecells(true); },
       u"\"l1\r\nl2\""_qs},
      {"always quotes", u"abc"_qs, [](TKitStringGrid& g) { g.SetAlwaysQuotes(true); }, u"\"abc\""_qs},
      {"always quotes without quote doubling", u"abc"_qs,
       [](TKitStringGrid& g) {
         g.SetAlwaysQuotes(true);
         g.SetQuoteQuoteCells(false);
       },
       u"abc"_qs},
      {"plain", u"Crêperie"_qs, none, u"Crêperie"_qs},
  };
  testsupport::TempDir dir;
  for (const TFieldCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto g = PlainGrid(1, 1);
    c.Setup(*g);
    g->SetCells(0, 0, c.Text);
    const QString file = dir.File(u"f.csv"_qs);
    g->SaveToCSV(file, true);
    const QByteArray bytes = testsupport::ReadBytes(file);
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(QString::fromUtf8(bytes.mid(3)), c.Field + u"\r\n"_qs);
  }
}

TEST(GridCsvWriter, AsciiReplacesWhatItCannotHoldAndRowsFollowTheSaveRange) {
  auto g = NewGrid();
  g->SetColCount(3);
  g->SetRowCount(3);
  g->SetFixedRows(1);
  g->SetFixedCols(1);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) g->SetCells(c, r, QStringLiteral("%1é%2").arg(c).arg(r));
  g->SetRowHeights(1, 0);  // suppressed: not written
  testsupport::TempDir dir;
  g->SaveToCSV(dir.File(u"a.csv"_qs), false);
  EXPECT_EQ(testsupport::ReadBytes(dir.File(u"a.csv"_qs)), QByteArray("0?0,1?0,2?0\r\n0?2,1?2,2?2\r\n"));
  g->SetSaveFixedCells(false);
  g->SaveToCSV(dir.File(u"b.csv"_qs), false);
  EXPECT_EQ(testsupport::ReadBytes(dir.File(u"b.csv"_qs)), QByteArray("1?2,2?2\r\n"));
}

TEST(GridCsvWriter, AppendingNeverReencodesTheFile) {
  testsupport::TempDir dir;
  const QString file = dir.File(u"leads.csv"_qs);
  const QByteArray before = QByteArray("\xEF\xBB\xBF") + u"Zoë,Ærø"_qs.toUtf8();  // no final line break
  testsupport::WriteBytes(file, before);
  auto g = PlainGrid(2, 1);
  g->SetCells(0, 0, u"Noël"_qs);
  g->SetCells(1, 0, u"x"_qs);
  g->AppendToCSV(file, false);  // ASCII asked for; the file's mark says UTF-8
  EXPECT_EQ(testsupport::ReadBytes(file), before + "\r\n" + u"Noël,x\r\n"_qs.toUtf8());
}

// Records the export hooks.
class TRecordingGrid : public TKitStringGrid {
 public:
  using TKitStringGrid::TKitStringGrid;
  QStringList Log;
  void ExportNotification(TGridExportState AState, int ARow) override {
    Log << QStringLiteral("%1:%2").arg(int(AState)).arg(ARow);
  }
};

TEST(GridCsvWriter, HooksProgressAndAFailureThatLeavesTheFileAlone) {
  auto g = CreateUnique<TRecordingGrid>(nullptr);
  g->SetFixedRows(0);
  g->SetFixedCols(0);
  g->SetColCount(2);
  g->SetRowCount(3);
  g->SetRowHeights(1, 0);
  std::vector<int> progress;
  g->OnFileProgress = [&](TObject*, short p) { progress.push_back(p); };
  testsupport::TempDir dir;
  const QString file = dir.File(u"h.csv"_qs);
  g->SaveToCSV(file, false);
  // Start with the first saved row, each written row (not the suppressed
  // one), done with -1; progress after every row of the range.
  EXPECT_EQ(g->Log, (QStringList{u"0:0"_qs, u"5:0"_qs, u"5:2"_qs, u"2:-1"_qs}));
  EXPECT_EQ(progress, (std::vector<int>{0, 50, 100}));

  // A one-row grid reports without dividing by zero.
  auto one = PlainGrid(1, 1);
  std::vector<int> p1;
  one->OnFileProgress = [&](TObject*, short p) { p1.push_back(p); };
  one->SaveToCSV(dir.File(u"one.csv"_qs), false);
  EXPECT_EQ(p1, (std::vector<int>{0}));

  // A cell that fails to export: the file keeps what it held.
  testsupport::WriteBytes(file, "before\r\n");
  g->OnSaveCell = [](TObject*, int, int ARow, QString&) {
    if (ARow == 2) throw Exception(u"cannot export"_qs);
  };
  EXPECT_EQ(testsupport::RaisedMessage([&] { g->SaveToCSV(file, false); }), u"cannot export"_qs);
  EXPECT_EQ(testsupport::ReadBytes(file), QByteArray("before\r\n"));
  EXPECT_EQ(g->UpdateCount(), 0);
}

struct TSplitCase {
  const char* Name;
  QChar Delimiter;
  QString Text;
  QList<QStringList> Cells;
};

TEST(GridCsvReader, SplitsFieldsAsTheFormatSays) {
  const QChar auto_;
  const std::vector<TSplitCase> cases = {
      {"hand-over line", QChar(0xA4), u"\"A\"¤\"B \"\"x\"\"\"¤\"C\""_qs, {{u"A"_qs, u"B \"x\""_qs, u"C"_qs}}},
      {"quoted delimiter", u',', u"x,\"y,z\""_qs, {{u"x"_qs, u"y,z"_qs}}},
      {"two commas, two empty fields", u',', u",,"_qs, {{QString(), QString()}}},
      {"semicolons detected", auto_, u"a;b;c\r\n1;2;3"_qs, {{u"a"_qs, u"b"_qs, u"c"_qs}, {u"1"_qs, u"2"_qs, u"3"_qs}}},
      {"bar beats comma on one line", auto_, u"a|b|c,d"_qs, {{u"a"_qs, u"b"_qs, u"c,d"_qs}}},
      {"no delimiter: one field", auto_, u"just text"_qs, {{u"just text"_qs}}},
      {"leading blanks dropped", u',', u"  a,  b"_qs, {{u"a"_qs, u"b"_qs}}},
      {"vertical tab back to CR LF", u',', u"\"l1\u000Bl2\",x"_qs, {{u"l1\r\nl2"_qs, u"x"_qs}}},
      {"quoted field over two lines", u',', u"\"one\ntwo\",x\r\ny,z"_qs,
       {{u"one\r\ntwo"_qs, u"x"_qs}, {u"y"_qs, u"z"_qs}}},
      {"unclosed quote keeps the rest", u',', u"a,\"b,c"_qs, {{u"a"_qs, u"b,c"_qs}}},
      {"CR, LF and CR LF end lines", u',', u"a\rb\nc\r\n"_qs, {{u"a"_qs}, {u"b"_qs}, {u"c"_qs}}},
  };
  for (const TSplitCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto g = PlainGrid(1, 1);
    g->SetDelimiter(c.Delimiter);
    LoadText(*g, c.Text);
    EXPECT_EQ(Cells(*g), c.Cells);
    EXPECT_EQ(g->Delimiter(), c.Delimiter);  // a detected delimiter is not kept
  }
}

TEST(GridCsvReader, DetectionPassesAndTies) {
  EXPECT_EQ(TKitStringGrid::DetectDelimiter(u"a;b;c"_qs, u"1;2;3"_qs), u';');
  EXPECT_EQ(TKitStringGrid::DetectDelimiter(u"a,b;c"_qs, u"1,2;3"_qs), u',');  // tie: the earlier
  EXPECT_EQ(TKitStringGrid::DetectDelimiter(u"\"a;b\",c"_qs, u"\"1;2\",3"_qs), u',');  // quoted ";" ignored
  EXPECT_EQ(TKitStringGrid::DetectDelimiter(u"a\tb"_qs, u"1\t2"_qs), u'\t');
  EXPECT_EQ(TKitStringGrid::DetectDelimiter(u"a|b|c,d"_qs, QString()), u'|');
  EXPECT_TRUE(TKitStringGrid::DetectDelimiter(u"plain"_qs, u"words"_qs).isNull());
}

struct TLinesCase {
  const char* Name;
  int MaxRows, IgnoreRows;
  bool LoadFirstRow;
  QStringList Column;
};

TEST(GridCsvReader, IgnoredSkippedAndLimitedLines) {
  const std::vector<TLinesCase> cases = {
      {"all", -1, -1, true, {u"1"_qs, u"2"_qs, u"3"_qs, u"4"_qs}},
      {"ignore two", -1, 2, true, {u"3"_qs, u"4"_qs}},
      {"ignore all drops none", -1, 4, true, {u"1"_qs, u"2"_qs, u"3"_qs, u"4"_qs}},
      {"max two", 2, -1, true, {u"1"_qs, u"2"_qs}},
      {"first row skipped", -1, 0, false, {u"2"_qs, u"3"_qs, u"4"_qs}},
      {"ignore one, then skip first", 2, 1, false, {u"3"_qs, u"4"_qs}},
  };
  for (const TLinesCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto g = PlainGrid(1, 1);
    g->SetLoadFirstRow(c.LoadFirstRow);
    LoadText(*g, u"1\r\n2\r\n3\r\n4\r\n"_qs, c.MaxRows, c.IgnoreRows);
    QStringList column;
    for (int r = 0; r < g->RowCount(); ++r) column << g->GridCells(0, r);
    EXPECT_EQ(column, c.Column);
  }
}

TEST(GridCsvReader, RowsGrowInStepsAndProgressReachesAHundred) {
  QString text;
  for (int i = 0; i < 2500; ++i) text += QStringLiteral("%1,x\r\n").arg(i);
  auto g = NewGrid();
  g->SetFixedRows(1);
  g->SetFixedFooters(1);
  g->SetSaveFixedCells(false);
  LoadText(*g, text);
  EXPECT_EQ(g->RowCount(), 1 + 2500 + 1);
  // Fixed cells are not saved: the text starts at the first normal cell.
  EXPECT_EQ(g->GridCells(1, 1), u"0"_qs);
  EXPECT_EQ(g->GridCells(2, 2500), u"x"_qs);
  EXPECT_EQ(g->GridCells(1, 2501), QString());
  EXPECT_EQ(g->UpdateCount(), 0);

  auto p = PlainGrid(1, 1);
  std::vector<int> seen;
  p->OnFileProgress = [&](TObject*, short v) { seen.push_back(v); };
  LoadText(*p, text);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), 100);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());  // fired only on change
  EXPECT_EQ(p->RowCount(), 2500);
}

TEST(GridCsvReader, FileIsEmpty) {
  testsupport::TempDir dir;
  const QString empty = dir.File(u"empty.csv"_qs);
  testsupport::WriteBytes(empty, QByteArray());
  auto g = PlainGrid(2, 2);
  g->SetCells(1, 1, u"kept"_qs);
  g->LoadFromCSV(empty);  // no encoding given: nothing happens
  EXPECT_EQ(testsupport::RaisedMessage([&] { g->LoadFromCSV(empty, TEncoding::UTF8()); }), u"File is empty"_qs);
  TBytesStream onlyMark(QByteArray("\xEF\xBB\xBF"));
  EXPECT_EQ(testsupport::RaisedMessage([&] { g->LoadFromCSVStream(&onlyMark); }), u"File is empty"_qs);
  EXPECT_EQ(g->GridCells(1, 1), u"kept"_qs);
  LoadText(*g, u"a\r\nb"_qs, -1, 1);  // one line left: loaded
  EXPECT_EQ(g->GridCells(0, 0), u"b"_qs);
}

TEST(GridCsvReader, MalformedTextChangesNoCell) {
  auto g = PlainGrid(3, 3);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) g->SetCells(c, r, QStringLiteral("old%1%2").arg(c).arg(r));
  const QList<QStringList> before = Cells(*g);
  const QByteArray badUtf8 = QByteArray("\xEF\xBB\xBF") + "a,b\r\nc,d\r\ne,\xC3\x28\r\n";
  TBytesStream s1(badUtf8);
  EXPECT_EQ(testsupport::ErrorOf<EKitGridError>([&] { g->LoadFromCSVStream(&s1); }),
            u"Malformed delimited text: bytes that are not UTF-8 in line 3"_qs);
  TBytesStream s2(QByteArray("a,b\r\nbin\0ary\r\n", 14));
  EXPECT_EQ(testsupport::ErrorOf<EKitGridError>([&] { g->LoadFromCSVStream(&s2); }),
            u"Malformed delimited text: a NUL character in line 2"_qs);
  TBytesStream s3(QByteArray("\xFF\xFE" "a\0,", 5));
  EXPECT_TRUE(testsupport::ErrorOf<EKitGridError>([&] { g->LoadFromCSVStream(&s3); }).contains(u"UTF-16"_qs));
  EXPECT_EQ(Cells(*g), before);
  EXPECT_EQ(g->UpdateCount(), 0);
}

TEST(GridCsvReader, AFailingLoadKeepsOnlyTheLoadedCells) {
  auto g = PlainGrid(3, 2);
  g->SetCells(2, 0, u"right"_qs);
  g->SetCells(0, 1, u"below"_qs);
  g->SetDelimiter(u';');
  int calls = 0;
  g->OnLoadCell = [&](TObject*, int, int ARow, QString&) {
    if (ARow == 1 && ++calls == 1) throw Exception(u"refused"_qs);
  };
  EXPECT_EQ(testsupport::RaisedMessage([&] { LoadText(*g, u"a;b\r\nc;d\r\ne;f\r\n"_qs); }), u"refused"_qs);
  EXPECT_EQ(Cells(*g), (QList<QStringList>{{u"a"_qs, u"b"_qs, u"right"_qs}, {u"below"_qs, QString(), QString()}}));
  EXPECT_EQ(g->RowCount(), 2);
  EXPECT_EQ(g->Delimiter(), u';');
  EXPECT_EQ(g->UpdateCount(), 0);
}

TEST(GridCsvReader, LoadKeepsWhatTheTextDoesNotReachAndInsertAppends) {
  auto g = PlainGrid(4, 5);
  for (int r = 0; r < 5; ++r) g->SetCells(3, r, QStringLiteral("k%1").arg(r));
  LoadText(*g, u"a,b\r\nc,d"_qs);
  EXPECT_EQ(g->RowCount(), 2);
  EXPECT_EQ(g->GridCells(3, 1), u"k1"_qs);
  EXPECT_EQ(g->GridCells(0, 1), u"c"_qs);
  g->SetRowCount(5);  // rows cut off by the load come back empty
  EXPECT_EQ(g->GridCells(3, 4), QString());
  testsupport::TempDir dir;
  testsupport::WriteBytes(dir.File(u"more.csv"_qs), "e,f\r\n");
  g->SetRowCount(2);
  g->InsertFromCSV(dir.File(u"more.csv"_qs));
  EXPECT_EQ(g->RowCount(), 3);
  EXPECT_EQ(g->GridCells(1, 2), u"f"_qs);
}

TEST(GridCsv, AwkwardTextsSurviveARoundTrip) {
  const QList<QStringList> rows = {
      {u"Name"_qs, u"Postcode"_qs, u"Note"_qs},
      {u"Crêperie \"Le Breton\""_qs, u"01000"_qs, u"line one\r\nline two"_qs},
      {u"  lead, comma"_qs.mid(2), QString(), u"日本語 😀"_qs},
      {u"semi;colon"_qs, u"tab\there"_qs, u"\"\""_qs},
  };
  auto g = PlainGrid(3, 4);
  for (int r = 0; r < rows.size(); ++r)
    for (int c = 0; c < 3; ++c) g->SetCells(c, r, rows[r][c]);
  testsupport::TempDir dir;
  g->SaveToCSV(dir.File(u"r.csv"_qs), true);
  auto back = PlainGrid(1, 1);
  back->LoadFromCSV(dir.File(u"r.csv"_qs));
  EXPECT_EQ(Cells(*back), rows);
}

}  // namespace
