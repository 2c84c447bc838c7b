// The cell store of the grid and its per-cell records: records are made by
// writers only, reads answer defaults, merged cells read and write through
// their base cell, the display hooks, freeing, and the exact errors of
// coordinates outside the store.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "grid/model/KitGrid.h"
#include "grid/model/KitGridUtils.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/TestSupport.h"

using gridtest::NewGrid;

namespace {

struct TCase {
  const char* Name;
  std::function<void(TKitStringGrid&)> Action;
};

TEST(GridCellStore, ReadersNeverCreateRecords) {
  auto grid = NewGrid();
  grid->SetCells(2, 3, u"text"_qs);
  const std::vector<TCase> readers = {
      {"Cells", [](TKitStringGrid& g) { (void)g.Cells(2, 3); }},
      {"GridCells", [](TKitStringGrid& g) { (void)g.GridCells(2, 3); }},
      {"Objects", [](TKitStringGrid& g) { (void)g.Objects(2, 3); }},
      {"GraphicObjects", [](TKitStringGrid& g) { (void)g.GraphicObjects(2, 3); }},
      {"Colors", [](TKitStringGrid& g) { (void)g.Colors(2, 3); }},
      {"ColorsTo", [](TKitStringGrid& g) { (void)g.ColorsTo(2, 3); }},
      {"FontColors", [](TKitStringGrid& g) { (void)g.FontColors(2, 3); }},
      {"FontStyles", [](TKitStringGrid& g) { (void)g.FontStyles(2, 3); }},
      {"FontNames", [](TKitStringGrid& g) { (void)g.FontNames(2, 3); }},
      {"FontSizes", [](TKitStringGrid& g) { (void)g.FontSizes(2, 3); }},
      {"Alignments", [](TKitStringGrid& g) { (void)g.Alignments(2, 3); }},
      {"ReadOnly", [](TKitStringGrid& g) { (void)g.ReadOnly(2, 3); }},
      {"Fonts", [](TKitStringGrid& g) { (void)g.Fonts(2, 3); }},
      {"CellControls", [](TKitStringGrid& g) { (void)g.CellControls(2, 3); }},
      {"IsMergedCell", [](TKitStringGrid& g) { (void)g.IsMergedCell(2, 3); }},
      {"BaseCell", [](TKitStringGrid& g) { (void)g.BaseCell(2, 3); }},
      {"CellSpan", [](TKitStringGrid& g) { (void)g.CellSpan(2, 3); }},
      {"CellGraphics", [](TKitStringGrid& g) { (void)g.CellGraphics(2, 3); }},
      {"CellTypes", [](TKitStringGrid& g) { (void)g.CellTypes(2, 3); }},
      {"IsEmpty", [](TKitStringGrid& g) { (void)g.IsEmpty(2, 3); }},
      {"Ints", [](TKitStringGrid& g) { (void)testsupport::MessageOf([&] { (void)g.Ints(2, 3); }); }},
      {"AllCells", [](TKitStringGrid& g) { (void)g.AllCells(2, 3); }},
  };
  for (const TCase& c : readers) {
    c.Action(*grid);
    EXPECT_FALSE(grid->HasCellProperties(2, 3)) << c.Name;
  }
  EXPECT_FALSE(grid->HasCellProps()) << "no record in the whole grid";
  EXPECT_EQ(grid->Colors(2, 3), clNone);
  EXPECT_EQ(grid->Alignments(2, 3), taLeftJustify);
  EXPECT_EQ(grid->FontNames(2, 3), grid->Font()->Name());
}

TEST(GridCellStore, TextWritesCreateNoRecords) {
  auto grid = NewGrid();
  grid->SetRowCount(200);
  grid->SetColCount(12);
  grid->BeginUpdate();
  for (int r = 0; r < 200; ++r)
    for (int c = 0; c < 12; ++c) grid->SetCells(c, r, QStringLiteral("r%1c%2").arg(r).arg(c));
  grid->EndUpdate();
  EXPECT_FALSE(grid->HasCellProps());
  EXPECT_EQ(grid->Cells(11, 199), u"r199c11"_qs);
}

TEST(GridCellStore, WritersCreateRecords) {
  const std::vector<TCase> writers = {
      {"Objects", [](TKitStringGrid& g) { g.SetObjects(1, 2, nullptr); }},
      {"Colors", [](TKitStringGrid& g) { g.SetColors(1, 2, clRed); }},
      {"ColorsTo", [](TKitStringGrid& g) { g.SetColorsTo(1, 2, clRed); }},
      {"FontColors", [](TKitStringGrid& g) { g.SetFontColors(1, 2, clRed); }},
      {"FontStyles", [](TKitStringGrid& g) { g.SetFontStyles(1, 2, TFontStyles{fsBold}); }},
      {"FontNames", [](TKitStringGrid& g) { g.SetFontNames(1, 2, u"Arial"_qs); }},
      {"FontSizes", [](TKitStringGrid& g) { g.SetFontSizes(1, 2, 12); }},
      {"Alignments", [](TKitStringGrid& g) { g.SetAlignments(1, 2, taCenter); }},
      {"ReadOnly", [](TKitStringGrid& g) { g.SetReadOnly(1, 2, true); }},
      {"WordWraps", [](TKitStringGrid& g) { g.SetWordWraps(1, 2, false); }},
      {"CellProperties", [](TKitStringGrid& g) { (void)g.CellProperties(1, 2); }},
      {"CreateCellGraphic", [](TKitStringGrid& g) { (void)g.CreateCellGraphic(1, 2); }},
      {"MergeCells", [](TKitStringGrid& g) { g.MergeCells(1, 2, 2, 2); }},
  };
  for (const TCase& c : writers) {
    auto grid = NewGrid();
    c.Action(*grid);
    EXPECT_TRUE(grid->HasCellProperties(1, 2)) << c.Name;
  }
}

TEST(GridCellStore, ObjectsOnAnEmptyCellKeepItsTextEmpty) {
  auto grid = NewGrid();
  grid->SetColor(0x123456);
  TStringList userObject;
  grid->SetObjects(2, 2, &userObject);
  EXPECT_EQ(grid->GridCells(2, 2), QString());
  EXPECT_EQ(grid->Objects(2, 2), &userObject);
  // The record took the cell's appearance of that moment.
  TCellProperties* rec = grid->FindCellProperties(2, 2);
  ASSERT_NE(rec, nullptr);
  EXPECT_EQ(rec->BrushColor(), 0x123456);
  EXPECT_EQ(rec->FontName(), grid->Font()->Name());
  // Setting the object to nothing keeps the record.
  grid->SetObjects(2, 2, nullptr);
  EXPECT_TRUE(grid->HasCellProperties(2, 2));
  EXPECT_EQ(grid->Objects(2, 2), nullptr);
}

TEST(GridCellStore, RecordOfAFixedCellHasNoBrushColour) {
  auto grid = NewGrid();
  EXPECT_EQ(grid->CellProperties(0, 0)->BrushColor(), clNone);
  EXPECT_EQ(grid->CellProperties(1, 1)->BrushColor(), grid->Color());
}

TEST(GridCellStore, MergedCellsReadAndWriteTheirBaseCell) {
  auto grid = NewGrid();
  grid->SetCells(3, 3, u"covered own"_qs);
  grid->MergeCells(2, 2, 2, 2);
  grid->SetCells(3, 3, u"shared"_qs);
  EXPECT_EQ(grid->GridCells(2, 2), u"shared"_qs);
  for (int c = 2; c <= 3; ++c)
    for (int r = 2; r <= 3; ++r) EXPECT_EQ(grid->Cells(c, r), u"shared"_qs) << c << "," << r;
  EXPECT_EQ(grid->GridCells(3, 3), u"covered own"_qs);
}

TEST(GridCellStore, WideDisplayHookEncodesNormalRowsOnly) {
  auto grid = NewGrid();
  grid->SetCells(1, 1, u"abc"_qs);
  int calls = 0;
  grid->OnGetDisplWideText = [&](TObject*, int, int, QString& Value) {
    ++calls;
    Value += u"\u20AC";
  };
  const QString shown = grid->Cells(1, 1);
  EXPECT_TRUE(shown.startsWith(WideTextPrefix)) << shown.toStdString();
  EXPECT_EQ(DecodeWideText(shown), u"abc\u20AC"_qs);
  EXPECT_EQ(calls, 1);
  // Rows at or beyond the normal row count are raw and fire nothing.
  grid->SetNormalRowCount(1);
  EXPECT_EQ(grid->Cells(1, 1), u"abc"_qs);
  EXPECT_EQ(calls, 1);
}

TEST(GridCellStore, DisplayTextHookSeesTheBaseCell) {
  auto grid = NewGrid();
  grid->MergeCells(1, 1, 3, 1);
  grid->SetCells(1, 1, u"x"_qs);
  QList<QPoint> asked;
  grid->OnGetDisplText = [&](TObject*, int c, int r, QString& Value) {
    asked << QPoint(c, r);
    Value = Value.toUpper();
  };
  EXPECT_EQ(grid->Cells(3, 1), u"X"_qs);
  ASSERT_EQ(asked.size(), 1);
  EXPECT_EQ(asked[0], QPoint(1, 1));
}

TEST(GridCellStore, FreeingBeforeTheFirstRecordLeavesForeignSlotsAlone) {
  auto grid = NewGrid();
  TStringList foreign;
  grid->SetGridObject(1, 1, &foreign);
  grid->FreeCellPropertiesRect(0, 0, 4, 9);
  EXPECT_EQ(grid->GetGridObject(1, 1), &foreign);
  grid->SetGridObject(1, 1, nullptr);
}

TEST(GridCellStore, FreeingFreesRecordsAndTheirGraphics) {
  auto grid = NewGrid();
  grid->CreateCellGraphic(1, 1)->SetCheckBox(true, false, false, haLeft, vaTop);
  grid->SetColors(2, 2, clRed);
  grid->FreeCellProperties(1, 1);  // the record's graphic goes with it
  EXPECT_FALSE(grid->HasCellProperties(1, 1));
  grid->FreeCellPropertiesRect(0, 0, 4, 9);
  EXPECT_FALSE(grid->HasCellProperties(2, 2));
  // An empty range does nothing.
  grid->SetColors(2, 2, clRed);
  grid->FreeCellPropertiesRect(3, 0, 2, 9);
  EXPECT_TRUE(grid->HasCellProperties(2, 2));
}

TEST(GridCellStore, DetachKeepsTheRecordForItsNewPlace) {
  auto grid = NewGrid();
  grid->SetCells(1, 1, u"t"_qs);
  grid->SetColors(1, 1, clRed);
  std::unique_ptr<TCellProperties> moved(grid->FindCellProperties(1, 1));
  grid->DetachCell(1, 1);
  EXPECT_FALSE(grid->HasCellProperties(1, 1));
  EXPECT_EQ(grid->GridCells(1, 1), QString());
  EXPECT_EQ(moved->BrushColor(), clRed);
}

TEST(GridCellStore, RecordsBeyondTheCountsAreFreedWithTheGrid) {
  // The grid shrinks after records were made; destruction still frees them
  // (the leak check of this binary sees any left behind).
  auto grid = NewGrid();
  grid->SetRowCount(50);
  grid->SetColCount(8);
  for (int r = 30; r < 50; ++r) {
    grid->SetColors(7, r, clRed);
    grid->CreateCellGraphic(6, r)->SetCellComment(u"note"_qs);
  }
  grid->SetRowCount(5);
  grid->SetColCount(3);
  EXPECT_EQ(grid->GridCells(7, 40), QString()) << "still addressable beyond the counts";
  grid.reset();
  SUCCEED();
}

TEST(GridCellStore, RecordsMovedBeyondTheCountsAreFreedWithTheGrid) {
  auto grid = NewGrid();
  grid->SetRowCount(100);
  grid->SetColors(2, 50, clRed);
  grid->InsertRows(10, 40);  // the record moves down to row 90
  EXPECT_EQ(grid->Colors(2, 90), clRed);
  grid->SetRowCount(10);
  grid.reset();  // the leak check sees a record left behind
  SUCCEED();
}

TEST(GridCellStore, ALargeGridFreesEveryRecord) {
  // 100,000 rows of 12 written cells, each row coloured: 1.2 million
  // records, all freed with the grid.
  auto grid = NewGrid();
  grid->BeginUpdate();
  grid->SetColCount(12);
  grid->SetRowCount(100000);
  grid->SetFixedCols(0);
  for (int r = 0; r < 100000; ++r) {
    for (int c = 0; c < 12; ++c) grid->SetCells(c, r, QString::number(r * 12 + c));
    grid->SetRowColor(r, clYellow);
  }
  grid->EndUpdate();
  EXPECT_EQ(grid->Colors(11, 99999), clYellow);
  EXPECT_EQ(grid->Cells(11, 99999), QString::number(99999 * 12 + 11));
  grid.reset();
  SUCCEED();
}

TEST(GridCellStore, CoordinatesOutsideTheStoreRaiseTheListIndexError) {
  auto grid = NewGrid();
  const struct {
    const char* Name;
    std::function<void()> Action;
    const char* Message;
  } cases[] = {
      {"write negative column", [&] { grid->SetCells(-1, 0, u"x"_qs); }, "EStringListError: List index out of bounds (-1)"},
      {"write negative row", [&] { grid->SetCells(0, -2, u"x"_qs); }, "EStringListError: List index out of bounds (-2)"},
      {"raw read far column", [&] { (void)grid->GridCells(70000, 0); }, "EStringListError: List index out of bounds (70000)"},
      {"record negative", [&] { (void)grid->CellProperties(-1, 1); }, "EStringListError: List index out of bounds (-1)"},
      {"colour negative", [&] { grid->SetColors(1, -1, clRed); }, "EStringListError: List index out of bounds (-1)"},
      {"object negative", [&] { grid->SetObjects(-3, 1, nullptr); }, "EStringListError: List index out of bounds (-3)"},
  };
  for (const auto& c : cases) EXPECT_EQ(testsupport::MessageOf(c.Action), QString::fromUtf8(c.Message)) << c.Name;
  EXPECT_FALSE(grid->HasCellProps());
  // Reads through the display accessors answer the defaults.
  EXPECT_EQ(grid->Colors(-1, -1), clNone);
  EXPECT_FALSE(grid->IsMergedCell(-5, 2));
  EXPECT_EQ(grid->AllCells(-1, 0), QString());
}

}  // namespace
