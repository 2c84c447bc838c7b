// Column-aligned text and fixed-width fields: the golden layouts, wide
// columns, continuation lines, appending without re-encoding, and the
// fixed-width reader's positions and row limits.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "grid/model/KitGrid.h"
#include "grid/model/KitGridLists.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/TestSupport.h"

using gridtest::NewGrid;

namespace {

std::unique_ptr<TKitStringGrid> Plain(int Cols, int Rows) {
  auto g = NewGrid();
  g->SetColCount(Cols);
  g->SetRowCount(Rows);
  g->SetFixedCols(0);
  g->SetFixedRows(0);
  return g;
}

TEST(AsciiExport, ColumnsArePaddedAndAligned) {
  auto g = Plain(2, 2);
  g->SetCells(0, 0, "a");
  g->SetCells(1, 0, "bbb");
  g->SetCells(0, 1, "cc");
  g->SetCells(1, 1, "d");
  EXPECT_EQ(g->AsciiText(), "a  bbb \r\ncc d   \r\n");

  auto n = Plain(1, 2);
  n->SetCells(0, 0, "12345");
  n->SetCells(0, 1, "42");
  n->SetAlignments(0, 1, taRightJustify);
  EXPECT_EQ(n->AsciiText(), "12345 \r\n   42 \r\n");

  auto c = Plain(1, 2);
  c->SetCells(0, 0, "abcde");
  c->SetCells(0, 1, "x");
  c->SetAlignments(0, 1, taCenter);
  EXPECT_EQ(c->AsciiText(), "abcde \r\n  x   \r\n");
}

TEST(AsciiExport, MultiLineCellsGetContinuationLines) {
  auto g = Plain(2, 1);
  g->SetMultilinecells(true);
  g->SetCells(0, 0, "abc");
  g->SetCells(1, 0, "x\r\ny");
  EXPECT_EQ(g->AsciiText(), "abc x \r\n    y\r\n");
  g->SetMultilinecells(false);
  EXPECT_EQ(g->AsciiText(), "abc x \r\n");
}

TEST(AsciiExport, WideColumnsKeepTheirWidth) {
  auto g = Plain(2, 2);
  g->SetCells(0, 0, QString(300, u'w'));
  g->SetCells(1, 0, "z");
  g->SetCells(0, 1, "s");
  g->SetCells(1, 1, "t");
  const QStringList lines = g->AsciiText().split("\r\n");
  EXPECT_EQ(lines[0].indexOf(u'z'), 301);
  EXPECT_EQ(lines[1].indexOf(u't'), 301);
}

TEST(AsciiExport, AppendKeepsExistingBytes) {
  QTemporaryDir dir;
  const QString path = dir.filePath("a.txt");
  const QByteArray old("\xEF\xBB\xBF" "d\xC3\xA9j\xC3\xA0 l\xC3\xA0\r\n");  // UTF-8 with BOM: "déjà là"
  testsupport::WriteBytes(path, old);
  auto g = Plain(1, 1);
  g->SetCells(0, 0, QString::fromUtf8("ünï"));
  g->AppendToASCII(path, false);  // the file's own encoding wins
  EXPECT_EQ(testsupport::ReadBytes(path), old + QByteArray("\xC3\xBCn\xC3\xAF \r\n"));

  const QString fresh = dir.filePath("b.txt");
  g->AppendToASCII(fresh, true);
  EXPECT_EQ(testsupport::ReadBytes(fresh), QByteArray("\xEF\xBB\xBF\xC3\xBCn\xC3\xAF \r\n"));
}

TEST(FixedWidth, SaveFillsWidthsAndKeepsThem) {
  QTemporaryDir dir;
  auto g = Plain(2, 2);
  g->SetCells(0, 0, "ab");
  g->SetCells(1, 0, "cdef");
  g->SetCells(0, 1, "x");
  TIntList widths(0, 0);
  g->SaveToFixed(dir.filePath("f.txt"), &widths);
  EXPECT_EQ(widths.StrValue(), "3,5");
  EXPECT_EQ(testsupport::ReadBytes(dir.filePath("f.txt")), QByteArray("ab cdef \r\nx       \r\n"));
  g->SetCells(1, 0, "much longer");
  g->SaveToFixed(dir.filePath("f.txt"), &widths);
  EXPECT_EQ(widths.StrValue(), "3,5");
  EXPECT_EQ(testsupport::ReadBytes(dir.filePath("f.txt")), QByteArray("ab much \r\nx       \r\n"));
}

TEST(FixedWidth, LoadByPositionsAndRowLimits) {
  QTemporaryDir dir;
  const QString path = dir.filePath("in.txt");
  testsupport::WriteBytes(path, "abcdEFGHij\r\n1234 678\r\nxy\r\n");
  struct Case {
    int MaxRows, Rows;
  } cases[] = {{-1, 3}, {1, 1}, {0, 1}, {2, 2}};
  for (const Case& k : cases) {
    auto g = Plain(1, 1);
    g->SetSaveFixedCells(true);
    TIntList pos(0, 0);
    pos.SetStrValue("9,5,1");
    g->LoadFromFixed(path, &pos, true, k.MaxRows);
    EXPECT_EQ(pos.StrValue(), "1,5,9");
    EXPECT_EQ(g->ColCount(), 2);
    EXPECT_EQ(g->Cells(0, 0), "abcd");
    EXPECT_EQ(g->Cells(1, 0), "EFGH");
    EXPECT_EQ(g->Cells(1, 1), k.Rows >= 2 ? "678" : "") << k.MaxRows;
    EXPECT_EQ(g->Cells(0, 2), k.Rows >= 3 ? "xy" : "") << k.MaxRows;
    EXPECT_EQ(g->Cells(1, 2), "") << k.MaxRows;
  }
}

TEST(FixedWidth, BadPositionsAndMissingFilesRaise) {
  QTemporaryDir dir;
  testsupport::WriteBytes(dir.filePath("x.txt"), "abc\r\n");
  auto g = Plain(1, 1);
  TIntList one(0, 0);
  one.Add(1);
  EXPECT_NE(testsupport::ErrorOf<EKitGridError>([&] { g->LoadFromFixed(dir.filePath("x.txt"), &one); }),
            "<no EKitGridError>");
  TIntList zero(0, 0);
  zero.SetStrValue("0,3");
  EXPECT_NE(testsupport::ErrorOf<EKitGridError>([&] { g->LoadFromFixed(dir.filePath("x.txt"), &zero); }),
            "<no EKitGridError>");
  TIntList ok(0, 0);
  ok.SetStrValue("1,3");
  EXPECT_EQ(testsupport::ErrorOf<EKitGridError>([&] { g->LoadFromFixed(dir.filePath("none.txt"), &ok); }),
            "File " + dir.filePath("none.txt") + " not found");
  EXPECT_EQ(testsupport::ErrorOf<EKitGridError>([&] { g->SaveToFixed(dir.filePath("no/such/dir/f.txt"), &ok); }),
            "Cannot Create file " + dir.filePath("no/such/dir/f.txt"));
}

}  // namespace
