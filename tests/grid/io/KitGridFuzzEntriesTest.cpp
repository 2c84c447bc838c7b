// The fuzzing entry points answer success for good input and failure for
// damaged input, and leave consistent grids either way.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "grid/io/KitGridFuzzEntries.h"
#include "grid/model/KitGrid.h"
#include "platform/rtl/Streams.h"
#include "tests/grid/GridTestSupport.h"

namespace {

TEST(GridFuzzEntries, GoodAndBadInputs) {
  auto g = gridtest::NewGrid();
  g->SetCells(1, 1, "x");
  g->SetColors(2, 2, clRed);
  TMemoryStream bin;
  g->SaveToBinStream(&bin);
  const QByteArray binBytes(static_cast<const char*>(bin.Memory()), static_cast<qsizetype>(bin.Size()));
  EXPECT_TRUE(kitgridio::GridBinStreamFromBytes(binBytes));
  EXPECT_FALSE(kitgridio::GridBinStreamFromBytes(binBytes.left(binBytes.size() / 2)));
  EXPECT_FALSE(kitgridio::GridBinStreamFromBytes("TPF0\xff"));

  TMemoryStream text;
  g->SaveToStream(&text);
  EXPECT_TRUE(kitgridio::GridTextStreamFromBytes(
      QByteArray(static_cast<const char*>(text.Memory()), static_cast<qsizetype>(text.Size()))));
  EXPECT_TRUE(kitgridio::GridTextFileFromBytes("2,2\r\n0,0,a\r\n"));
  EXPECT_FALSE(kitgridio::GridTextFileFromBytes("99999,99999\r\n"));  // beyond the harness's cell cap
  EXPECT_TRUE(kitgridio::GridFixedFromBytes("abcdefghijkl\r\nxy\r\n"));
  EXPECT_TRUE(kitgridio::GridXMLFromBytes("<r><a x=\"1\"><b>t</b><c/></a></r>"));
  EXPECT_FALSE(kitgridio::GridXMLFromBytes("<r><a>"));
  EXPECT_TRUE(kitgridio::GridCSVFromBytes("a;b\r\n1;2\r\n\"x\ny\";z\r\n"));
  EXPECT_FALSE(kitgridio::GridCSVFromBytes(QByteArray("a,b\r\nbin\0ary\r\n", 14)));
  EXPECT_FALSE(kitgridio::GridCSVFromBytes(QByteArray()));
}

TEST(GridFuzzEntries, SettingsAndDocuments) {
  EXPECT_TRUE(kitgridio::GridColumnStatesFromBytes("3#64,80,64#2,0,1#1,0,1"));
  EXPECT_FALSE(kitgridio::GridColumnStatesFromBytes("3#64#2,0,1#1,0,1"));
  EXPECT_TRUE(kitgridio::GridPrintSettingsFromBytes("[Print]\nBorders=3\nFontSize=12\n"));
  EXPECT_TRUE(kitgridio::GridPrintSettingsFromBytes("\xff\x00[[[=\n"));  // nothing usable: the defaults
  auto g = gridtest::NewGrid();
  QTemporaryDir dir;
  g->SaveVisualProps(dir.filePath("v.txt"));
  QFile f(dir.filePath("v.txt"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray visual = f.readAll();
  EXPECT_TRUE(kitgridio::GridVisualPropsFromBytes(visual));
  EXPECT_FALSE(kitgridio::GridVisualPropsFromBytes(QByteArray(visual).replace("Font.Size=", "Font.Size=x")));
  const QByteArray doc =
      "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body><w:p/>"
      "</w:body></w:document>";
  EXPECT_TRUE(kitgridio::GridDocxFromBytes(doc));
  EXPECT_FALSE(kitgridio::GridDocxFromBytes("<w:document><w:body>"));
  EXPECT_FALSE(kitgridio::GridDocxFromBytes(QByteArray::fromHex("504B0304") + QByteArray(40, '\x01')));
}

TEST(GridFuzzEntries, ClipboardCellsAndText) {
  auto g = CreateUnique<TKitStringGrid>(nullptr);
  g->SetColCount(2);
  g->SetRowCount(2);
  g->SetCells(1, 1, "x");
  TMemoryStream ms;
  g->SaveRectToBinStream(TRect(0, 0, 1, 1), &ms, false);
  const QByteArray good(static_cast<const char*>(ms.Memory()), static_cast<qsizetype>(ms.Size()));
  EXPECT_TRUE(kitgridio::GridClipboardCellsFromBytes(good));
  EXPECT_FALSE(kitgridio::GridClipboardCellsFromBytes(good.left(good.size() / 2)));
  EXPECT_FALSE(kitgridio::GridClipboardCellsFromBytes("TPF0"));
  EXPECT_TRUE(kitgridio::GridClipboardTextFromBytes("a\tb\r\n\"c\nd\"\te\n"));
  EXPECT_TRUE(kitgridio::GridClipboardTextFromBytes(QByteArray("\"\"\"\t\r\r\n\0\t", 9)));
}

}  // namespace
