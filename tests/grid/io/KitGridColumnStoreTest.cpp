// Column widths and positions in an INI file and in the registry store:
// round trips, missing values left alone at any scale, bad values ignored,
// and nothing without Key and Section.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "grid/model/KitGrid.h"
#include "grid/model/KitGridLists.h"
#include "grid/model/KitGridNode.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/Registry.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/TestSupport.h"

using gridtest::NewGrid;

namespace {

TEST(ColumnStore, WidthsRoundTripThroughAnIniFile) {
  QTemporaryDir dir;
  const QString ini = dir.filePath("cols.ini");
  auto g = NewGrid();
  g->ColumnSize()->SetLocation(clIniFile);
  g->ColumnSize()->SetKey(ini);
  g->ColumnSize()->SetSection("Grid1");
  for (int c = 0; c < g->ColCount(); ++c) g->SetColWidths(c, 30 + 7 * c);
  g->SaveColSizes();
  const QByteArray text = testsupport::ReadBytes(ini);
  EXPECT_TRUE(text.contains("[Grid1]"));
  EXPECT_TRUE(text.contains("Col2=44"));

  auto h = NewGrid();
  h->ColumnSize()->Assign(g->ColumnSize());
  h->SetColCount(g->ColCount() + 1);
  h->SetColWidths(g->ColCount(), 77);  // no stored value: stays as it is
  h->LoadColSizes();
  for (int c = 0; c < g->ColCount(); ++c) EXPECT_EQ(h->ColWidths(c), 30 + 7 * c);
  EXPECT_EQ(h->ColWidths(g->ColCount()), 77);
}

TEST(ColumnStore, BadStoredValuesAndMissingSettings) {
  QTemporaryDir dir;
  const QString ini = dir.filePath("bad.ini");
  testsupport::WriteBytes(ini, "[S]\nCol0=-5\nCol1=abc\nCol2=999999999\nCol3=50\n");
  auto g = NewGrid();
  const int w0 = g->ColWidths(0), w1 = g->ColWidths(1), w2 = g->ColWidths(2);
  g->ColumnSize()->SetLocation(clIniFile);
  g->ColumnSize()->SetKey(ini);
  g->LoadColSizes();  // no section: nothing happens
  EXPECT_EQ(g->ColWidths(3), w0);
  g->ColumnSize()->SetSection("S");
  g->LoadColSizes();
  EXPECT_EQ(g->ColWidths(0), w0);
  EXPECT_EQ(g->ColWidths(1), w1);
  EXPECT_EQ(g->ColWidths(2), w2);
  EXPECT_EQ(g->ColWidths(3), 50);
}

TEST(ColumnStore, PositionsThroughTheRegistryStore) {
  QTemporaryDir dir;
  TRegistryStore::SetFileName(dir.filePath("registry.reg"));
  auto g = NewGrid();
  g->ColumnSize()->SetKey("Software\\Tallowfinch\\Test");
  g->ColumnSize()->SetSection("Columns");
  g->ColumnSize()->SetLocation(clRegistry);
  for (int v : {0, 3, 1, 2, 4}) g->ColumnOrder()->Add(v);
  g->SaveColPositions();
  auto h = NewGrid();
  h->ColumnSize()->Assign(g->ColumnSize());
  h->LoadColPositions();
  EXPECT_EQ(h->ColumnOrder()->StrValue(), "0,3,1,2,4");

  // A list that is not a permutation of the columns is not taken.
  TRegistryIniFile reg("Software\\Tallowfinch\\Test");
  reg.WriteInteger("Columns", "Pos1", 0);
  reg.UpdateFile();
  auto k = NewGrid();
  k->ColumnSize()->Assign(g->ColumnSize());
  k->LoadColPositions();
  EXPECT_EQ(k->ColumnOrder()->Count(), 0);
  TRegistryStore::SetFileName(QString());
}

}  // namespace

namespace {

TEST(ColumnStates, StringRoundTripAndMalformedStrings) {
  auto g = NewGrid();
  g->SetColCount(3);
  g->SetColWidths(0, 64);
  g->SetColWidths(1, 80);
  g->SetColWidths(2, 64);
  EXPECT_EQ(g->ColumnStatesToString(), "3#64,80,64#0,1,2#1,1,1");

  g->SetCells(0, 1, "A");
  g->SetCells(1, 1, "B");
  g->SetCells(2, 1, "C");
  g->StringToColumnStates("3#50,60,70#2,0,1#1,1,1");
  EXPECT_EQ(g->Cells(0, 1), "C");
  EXPECT_EQ(g->Cells(1, 1), "A");
  EXPECT_EQ(g->Cells(2, 1), "B");
  EXPECT_EQ(g->ColWidths(0), 50);
  EXPECT_EQ(g->ColWidths(2), 70);
  EXPECT_EQ(g->ColumnStatesToString(), "3#50,60,70#2,0,1#1,1,1");

  const QString before = g->ColumnStatesToString();
  for (const char* bad : {"x#1,2,3##", "3#1,2#0,1,2#1,1,1", "3#1,2,3#0,0,1#1,1,1", "3#1,-2,3##", "3#1,2,3#0,1,2#1"}) {
    EXPECT_NE(testsupport::RaisedMessage([&] { g->StringToColumnStates(QString::fromLatin1(bad)); }), "") << bad;
    EXPECT_EQ(g->ColumnStatesToString(), before) << bad;
  }
  g->StringToColumnStates("no separators");
  EXPECT_EQ(g->ColumnStatesToString(), before);
}

}  // namespace

namespace {

void FillRow1(TKitStringGrid& g, std::initializer_list<const char*> texts) {
  int c = 0;
  for (const char* t : texts) g.SetCells(c++, 1, t);
}

QString Row1(TKitStringGrid& g) {
  QStringList out;
  // Cells are addressed by real column; the display skips hidden ones.
  for (int c = 0; c < g.ColCount(); ++c) out << g.Cells(g.RealColIndex(c), 1);
  return out.join(u',');
}

TEST(ColumnStates, OrderHidesAndSuppresses) {
  // Columns with unmoved indexes 2, 0, 1 in that order; the column standing
  // third (real index 2) hidden; the second displayed column suppressed.
  auto g = NewGrid();
  g->SetColCount(3);
  FillRow1(*g, {"A", "B", "C"});
  g->StringToColumnStates("3#64,0,64#2,0,1#1,1,0");
  EXPECT_EQ(g->ColCount(), 2);
  EXPECT_TRUE(g->IsHiddenColumn(2));
  EXPECT_EQ(Row1(*g), "C,A");
  EXPECT_EQ(g->ColWidths(0), 64);
  EXPECT_EQ(g->ColWidths(1), 0);
  EXPECT_EQ(g->ColumnOrder()->StrValue(), "2,0,1");
  EXPECT_EQ(g->ColumnStatesToString().section(u'#', 3), "1,1,0");

  // Applying a string shows the hidden columns first.
  g->StringToColumnStates("3#40,40,40##1,1,1");
  EXPECT_EQ(g->ColCount(), 3);
  EXPECT_EQ(g->NumHiddenColumns(), 0);
  EXPECT_EQ(Row1(*g), "C,A,B");

  // A visibility part hiding every column keeps one shown.
  g->StringToColumnStates("3#40,40,40##0,0,0");
  EXPECT_EQ(g->ColCount(), 1);
}

TEST(ColumnStore, LoadedPositionsRearrangeTheColumnsAndKeepHiddenOnes) {
  QTemporaryDir dir;
  const QString ini = dir.filePath("pos.ini");
  testsupport::WriteBytes(ini, "[P]\nPos0=3\nPos1=0\nPos2=1\nPos3=2\n");
  auto g = NewGrid();
  g->SetColCount(4);
  FillRow1(*g, {"A", "B", "C", "D"});
  g->HideColumn(1);
  g->ColumnSize()->SetLocation(clIniFile);
  g->ColumnSize()->SetKey(ini);
  g->ColumnSize()->SetSection("P");
  g->LoadColPositions();
  EXPECT_EQ(g->ColumnOrder()->StrValue(), "3,0,1,2");
  EXPECT_TRUE(g->IsHiddenColumn(1));
  EXPECT_EQ(g->ColCount(), 3);
  // Real order D,A,B,C with real index 1 (now A) hidden.
  EXPECT_EQ(Row1(*g), "D,B,C");
}

}  // namespace
