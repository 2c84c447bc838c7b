// The fuzzing entry points answer success for good input and failure for
// damaged input, and leave consistent grids either way.

#include <gtest/gtest.h>

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

}  // namespace
