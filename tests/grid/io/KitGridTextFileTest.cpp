// The grid's own text format: golden files, round trips of awkward texts,
// a stream embedded between foreign data, bad headers and cell lines
// outside the grid, and the checked number conversion.

#include <gtest/gtest.h>

#include <utility>
#include <vector>
#include <QTemporaryDir>

#include "grid/model/KitGrid.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/TestSupport.h"

using gridtest::NewGrid;

namespace {

QByteArray Utf16(const QString& s) {
  QByteArray b;
  for (QChar ch : s) {
    b.append(static_cast<char>(ch.unicode() & 0xFF));
    b.append(static_cast<char>(ch.unicode() >> 8));
  }
  return b;
}

class TextGridFile : public ::testing::Test {
 protected:
  QString Path(const QString& Name) const { return FDir.filePath(Name); }
  QTemporaryDir FDir;
};

TEST_F(TextGridFile, GoldenFileOfOneCell) {
  auto grid = NewGrid();
  grid->SetColCount(3);
  grid->SetRowCount(2);
  grid->SetFixedCols(0);
  grid->SetFixedRows(0);
  grid->SetColWidths(0, 40);
  grid->SetColWidths(1, 50);
  grid->SetColWidths(2, 60);
  grid->SetCells(1, 0, "x");
  grid->SaveToFile(Path("g.txt"));
  EXPECT_EQ(testsupport::ReadBytes(Path("g.txt")),
            QByteArray("\xEF\xBB\xBF" "3,2\r\ncw 0,40\r\ncw 1,50\r\ncw 2,60\r\n1,0,x\r\n"));

  grid->SaveToFile(Path("a.txt"), false);
  EXPECT_EQ(testsupport::ReadBytes(Path("a.txt")), QByteArray("3,2\r\ncw 0,40\r\ncw 1,50\r\ncw 2,60\r\n1,0,x\r\n"));
}

TEST_F(TextGridFile, AwkwardTextsSurviveFileAndStream) {
  const QStringList texts = {
      "a,b,,c",                          // commas after the first two separate nothing
      "\"quoted\" and 'single'",         // quotes
      QString::fromUtf8("é ü € 漢字 😀"),  // non-ASCII, beyond the BMP
      "line1\r\nline2",                  // CR LF
      "bare\nLF",                        // a bare LF must not break the line
      "cw 3,5",                          // looks like a width line, but is a cell
  };
  for (bool viaStream : {false, true}) {
    auto src = NewGrid();
    src->SetMultilinecells(true);
    src->SetColCount(2);
    src->SetRowCount(static_cast<int>(texts.size()) + 1);
    for (int i = 0; i < texts.size(); ++i) src->SetCells(1, i + 1, texts[i]);
    src->SetCells(0, 2, "");  // empty cells produce no line
    auto dst = NewGrid();
    dst->SetMultilinecells(true);
    if (viaStream) {
      TMemoryStream ms;
      src->SaveToStream(&ms);
      ms.SetPosition(0);
      dst->LoadFromStream(&ms);
    } else {
      src->SaveToFile(Path("rt.txt"));
      dst->LoadFromFile(Path("rt.txt"));
    }
    ASSERT_EQ(dst->RowCount(), src->RowCount()) << viaStream;
    for (int i = 0; i < texts.size(); ++i) EXPECT_EQ(dst->Cells(1, i + 1), texts[i]) << i << " stream " << viaStream;
  }
}

TEST_F(TextGridFile, MultiLineCellKeepsFirstLineWithoutMultilinecells) {
  auto src = NewGrid();
  src->SetCells(1, 1, "a\r\nb");
  src->SaveToFile(Path("m.txt"));
  const QByteArray bytes = testsupport::ReadBytes(Path("m.txt"));
  EXPECT_TRUE(bytes.contains(QByteArray("1,1,a\x09\x08" "b\r\n")));
  auto dst = NewGrid();
  dst->LoadFromFile(Path("m.txt"));
  EXPECT_EQ(dst->Cells(1, 1), "a");
}

TEST_F(TextGridFile, StreamStopsAtForeignDataAndLeavesItForTheCaller) {
  auto src = NewGrid();
  src->SetColCount(4);
  src->SetRowCount(3);
  src->SetCells(2, 1, "mid");
  src->SetCells(3, 2, "end");
  TMemoryStream ms;
  const QByteArray prefix("PREFIX");
  ms.WriteBuffer(prefix.constData(), prefix.size());
  src->SaveToStream(&ms);
  const Int64 gridEnd = ms.Position();
  const QByteArray tail = Utf16("trailer line\r\n") + QByteArray(70000, 'z');  // beyond the reader's block
  ms.WriteBuffer(tail.constData(), tail.size());

  ms.SetPosition(prefix.size());
  auto dst = NewGrid();
  dst->LoadFromStream(&ms);
  EXPECT_EQ(ms.Position(), gridEnd);
  EXPECT_EQ(dst->Cells(2, 1), "mid");
  EXPECT_EQ(dst->Cells(3, 2), "end");
  EXPECT_EQ(dst->ColCount(), 4);
}

TEST_F(TextGridFile, StreamReaderSkipsCellsAndWidthsOutsideTheGrid) {
  auto grid = NewGrid();
  grid->SetSaveFixedCells(false);
  grid->SetCells(1, 1, "keep");
  TMemoryStream ms;
  const QByteArray bytes = Utf16("2,2\r\ncw 0,30\r\ncw 99,40\r\n0,0,in\r\n5,0,out\r\n0,700,far\r\n-3,0,neg\r\n");
  ms.WriteBuffer(bytes.constData(), bytes.size());
  ms.SetPosition(0);
  grid->LoadFromStream(&ms);  // save area starts at the fixed column and row (1, 1)
  EXPECT_EQ(grid->ColCount(), 3);
  EXPECT_EQ(grid->RowCount(), 3);
  EXPECT_EQ(grid->ColWidths(0), 30);
  EXPECT_EQ(grid->Cells(1, 1), "in");
  EXPECT_EQ(gridtest::MergeFault(*grid), QString());
}

TEST_F(TextGridFile, BadHeadersGiveClearErrors) {
  struct Case {
    QByteArray File;
    QString Message;
  } cases[] = {
      {"0,0\r\n", "File contains no data or corrupt file "},
      {"1000000000,1000000000\r\n", "Grid size 1000000000 x 1000000000 out of range in "},
      {"-4,2\r\n", "Grid size -4 x 2 out of range in "},
      {"abc,2\r\n", "'abc' is not a valid integer value"},
  };
  for (const Case& c : cases) {
    testsupport::WriteBytes(Path("bad.txt"), c.File);
    auto grid = NewGrid();
    grid->SetSaveFixedCells(true);
    const QString msg = testsupport::RaisedMessage([&] { grid->LoadFromFile(Path("bad.txt")); });
    EXPECT_TRUE(msg.startsWith(c.Message)) << msg.toStdString();
    EXPECT_EQ(grid->ColCount(), 5) << "the grid is left as it was";
  }
  auto grid = NewGrid();
  EXPECT_EQ(testsupport::ErrorOf<EKitGridError>([&] { grid->LoadFromFile(Path("missing.txt")); }),
            "File " + Path("missing.txt") + " not found");
}

TEST_F(TextGridFile, FileReaderIgnoresCellsOutsideTheGridAndReportsProgress) {
  testsupport::WriteBytes(Path("p.txt"), "2,3\r\ncw 7,99\r\n0,0,a\r\n1,2,b\r\n9,9,x\r\n1,1,c\r\n");
  auto grid = NewGrid();
  grid->SetSaveFixedCells(true);
  std::vector<int> seen;
  grid->OnFileProgress = [&](TObject*, short p) { seen.push_back(p); };
  grid->LoadFromFile(Path("p.txt"));
  EXPECT_EQ(grid->Cells(0, 0), "a");
  EXPECT_EQ(grid->Cells(1, 2), "b");
  EXPECT_EQ(grid->Cells(1, 1), "c");
  EXPECT_EQ(seen, (std::vector<int>{0, 100, 50}));

  // A one-row grid reports without dividing by zero.
  testsupport::WriteBytes(Path("one.txt"), "1,1\r\n0,0,z\r\n");
  seen.clear();
  grid->LoadFromFile(Path("one.txt"));
  EXPECT_EQ(seen, (std::vector<int>{0}));
}

TEST_F(TextGridFile, SaveReportsProgressAndExportSteps) {
  auto grid = NewGrid();
  grid->SetRowCount(4);
  std::vector<int> seen;
  grid->OnFileProgress = [&](TObject*, short p) { seen.push_back(p); };
  grid->SaveToFile(Path("s.txt"));
  EXPECT_EQ(seen, (std::vector<int>{0, 33, 67, 100}));
}

TEST(CellToReal, ConvertsLocaleNumbersAndReportsThePosition) {
  const TFormatSettings saved = FormatSettings;
  FormatSettings = testsupport::GermanSettings();
  auto grid = NewGrid();
  grid->SetCells(1, 1, "1.234,5");
  grid->SetCells(2, 1, "(12,5)");
  grid->SetCells(3, 1, "1-2");
  grid->SetCells(5, 1, "12a4");  // the number ends at the first letter
  EXPECT_DOUBLE_EQ(grid->CellToReal(1, 1), 1234.5);
  EXPECT_DOUBLE_EQ(grid->CellToReal(2, 1), -12.5);
  EXPECT_DOUBLE_EQ(grid->CellToReal(4, 1), 0.0);
  EXPECT_DOUBLE_EQ(grid->CellToReal(5, 1), 12.0);
  EXPECT_EQ(testsupport::ErrorOf<EKitGridError>([&] { grid->CellToReal(3, 1); }),
            "Error at position: 2 in Cell [3, 1].");
  FormatSettings = saved;
}

// A million cell lines load whole (the load time is bench/grid_files.cpp's
// BM_TextFileLoad; a clock here only measured how busy the machine was).
TEST(TextGridFileSize, AMillionCellLinesLoadWhole) {
  QTemporaryDir dir;
  const QString path = dir.filePath("big.txt");
  QByteArray data("4,250000\r\n");
  data.reserve(20 * 1000000);
  for (int r = 0; r < 250000; ++r)
    for (int c = 0; c < 4; ++c) data += QByteArray::number(c) + ',' + QByteArray::number(r) + ",cell text " + QByteArray::number(r) + "\r\n";
  testsupport::WriteBytes(path, data);
  auto grid = NewGrid();
  grid->SetSaveFixedCells(true);
  grid->LoadFromFile(path);
  EXPECT_EQ(grid->ColCount(), 4);
  EXPECT_EQ(grid->RowCount(), 250000);
  for (const auto& [c, r] : std::vector<std::pair<int, int>>{{0, 0}, {3, 0}, {1, 124999}, {3, 249999}})
    EXPECT_EQ(grid->Cells(c, r), QStringLiteral("cell text %1").arg(r)) << c << "," << r;
}

}  // namespace
