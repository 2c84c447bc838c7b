// The cell graphic object: its setters, angle and picture-size rules, who
// owns what (the cell owns the graphics it made; handed-in objects stay
// their owner's), foreign objects in the graphic slot, the shared row check
// box, and the size a graphic claims.

#include <gtest/gtest.h>

#include <memory>

#include "grid/model/KitGrid.h"
#include "tests/grid/GridTestSupport.h"

using gridtest::NewGrid;

namespace {

TEST(CellGraphic, AngleIsBroughtIntoRange) {
  const struct {
    int16_t In;
    int Out;
  } cases[] = {{-30, 330}, {400, 40}, {360, 360}, {0, 0}, {-360, 0}, {-1000, 80}, {721, 1}};
  for (const auto& c : cases) {
    TCellGraphic g;
    g.SetAngle(c.In);
    EXPECT_EQ(g.CellType(), ctRotated);
    EXPECT_EQ(g.CellAngle(), c.Out) << c.In;
  }
}

TEST(CellGraphic, PictureSizeByStretchMode) {
  TPicture picture;
  picture.Bitmap()->SetSize(40, 20);
  const struct {
    TStretchMode Mode;
    int Padding;
    int AreaW, AreaH;
    TPoint Expected;
  } cases[] = {
      {noStretch, 0, 100, 100, {40, 20}},
      {Stretch, 0, 100, 50, {100, 50}},
      {Stretch, 4, 100, 50, {96, 46}},
      {Shrink, 0, 100, 100, {40, 20}},
      {Shrink, 0, 30, 100, {30, 100}},
      {StretchWithAspectRatio, 0, 80, 80, {80, 40}},
      {StretchWithAspectRatio, 0, 80, 10, {20, 10}},
      {ShrinkWithAspectRatio, 0, 100, 100, {40, 20}},
      {ShrinkWithAspectRatio, 0, 20, 100, {20, 10}},
      {ShrinkWithAspectRatio, 0, 30, 5, {10, 5}},
  };
  for (const auto& c : cases) {
    TCellGraphic g;
    g.SetPicture(&picture, false, c.Mode, c.Padding, haLeft, vaTop);
    EXPECT_EQ(g.GetPictureSize(c.AreaW, c.AreaH, nullptr, false), c.Expected)
        << int(c.Mode) << " " << c.AreaW << "x" << c.AreaH;
  }
  // Other kinds claim nothing.
  TCellGraphic other;
  other.SetImageIdx(3, haLeft, vaTop);
  EXPECT_EQ(other.GetPictureSize(10, 10, nullptr, false), TPoint(0, 0));
}

TEST(CellGraphic, SettersFillTheirFields) {
  TCellGraphic g;
  g.SetButton(30, 18, u"Go"_qs, haCenter, vaCenter);
  EXPECT_EQ(g.CellType(), ctButton);
  EXPECT_EQ(g.CellIndex() & 0xFFFF, 30);
  EXPECT_EQ((uint32_t(g.CellIndex()) >> 16), 18u);
  EXPECT_EQ(g.CellText(), u"Go"_qs);
  g.SetCheckBox(true, true, true, haLeft, vaTop);
  EXPECT_EQ(g.CellType(), ctDataCheckBox);
  EXPECT_TRUE(g.CellTransparent());
  g.SetCheckBox(cbGrayed, false, haLeft, vaTop);
  EXPECT_EQ(g.CellType(), ctTriStateCheckBox);
  EXPECT_EQ(g.CellCheckBoxState(), cbGrayed);
  g.SetRadioButton(true, false, haLeft, vaTop, rgCol);
  EXPECT_EQ(g.CellAngle(), int(rgCol));
  EXPECT_FALSE(g.CellBalloon()) << "the group is no balloon flag";
}

TEST(CellGraphic, AssignCopiesValuesNotObjects) {
  TBitmap bitmap;
  TCellGraphic a;
  a.SetBitmap(&bitmap, true, haRight, vaBottom);
  a.SetCellComment(u"note"_qs);
  a.SetCommentColor(clRed);
  TCellGraphic b;
  b.Assign(&a);
  EXPECT_EQ(b.CellType(), ctBitmap);
  EXPECT_EQ(b.CellHAlign(), haRight);
  EXPECT_EQ(b.CellBitmap(), nullptr);
  EXPECT_EQ(b.CellComment(), u"note"_qs);
  EXPECT_EQ(b.CommentColor(), clRed);
}

TEST(CellGraphic, GridOwnershipLeavesNothingBehind) {
  // Freed by the leak check of this binary if ownership is wrong either way.
  auto grid = NewGrid();
  TBitmap callersBitmap;
  grid->CreateCellGraphic(1, 1)->SetBitmap(&callersBitmap, false, haLeft, vaTop);
  grid->CreateCellGraphic(1, 1)->SetCellComment(u"replaces the first"_qs);
  grid->CreateCellGraphic(2, 2)->SetMultiImage(2, 2, 1, haLeft, vaTop, nullptr);
  grid->CellImages(2, 2)->Add(4);
  EXPECT_EQ(grid->CellImages(2, 2)->Count(), 1);
  EXPECT_TRUE(grid->RemoveCellGraphic(2, 2));
  EXPECT_FALSE(grid->RemoveCellGraphic(2, 2)) << "nothing left to remove";
  auto* created = new TBitmap();  // owned by the graphic once CellCreated is set
  TCellGraphic* owner = grid->CreateCellGraphic(3, 3);
  owner->SetBitmap(created, false, haLeft, vaTop);
  owner->SetCellCreated(true);
  grid->FreeCellProperties(3, 3);  // the record frees its graphic, which frees the bitmap
  EXPECT_FALSE(grid->HasCellProperties(3, 3));
}

TEST(CellGraphic, HandedInGraphicStaysItsOwners) {
  auto grid = NewGrid();
  TCellGraphic mine;
  mine.SetCheckBox(true, false, false, haLeft, vaTop);
  grid->SetGraphicObjectEx(1, 1, &mine, false);
  EXPECT_EQ(grid->CellTypes(1, 1), ctCheckBox);
  EXPECT_TRUE(grid->RemoveCellGraphic(1, 1));
  EXPECT_EQ(mine.CellType(), ctCheckBox) << "not freed";
  grid->SetGraphicObjectEx(1, 1, &mine, false);
  grid->FreeCellProperties(1, 1);
  EXPECT_EQ(mine.CellType(), ctCheckBox);
}

TEST(CellGraphic, ForeignObjectInTheSlot) {
  auto grid = NewGrid();
  TStringList foreign;
  foreign.Add(u"alive"_qs);
  grid->SetGraphicObjects(1, 1, &foreign);  // not a cell graphic: not owned
  EXPECT_EQ(grid->CellGraphics(1, 1), nullptr);
  EXPECT_EQ(grid->CellTypes(1, 1), ctEmpty);
  EXPECT_TRUE(grid->IsEmpty(1, 1));
  grid->FreeCellProperties(1, 1);
  EXPECT_EQ(foreign.Strings(0), u"alive"_qs) << "not freed with the record";
}

TEST(CellGraphic, KindQueries) {
  auto grid = NewGrid();
  EXPECT_EQ(grid->CellTypes(-1, 2), ctEmpty);
  EXPECT_TRUE(grid->IsEmpty(1, 1));
  grid->CreateCellGraphic(1, 1);
  EXPECT_TRUE(grid->IsEmpty(1, 1)) << "a ctNone graphic without comment";
  grid->CellGraphics(1, 1)->SetCellComment(u"c"_qs);
  EXPECT_FALSE(grid->IsEmpty(1, 1));
  grid->CreateCellGraphic(2, 2)->SetDataImage(3, haLeft, vaTop);
  grid->MergeCells(2, 2, 2, 2);
  EXPECT_TRUE(grid->IsDataCell(3, 3)) << "asked of the base cell";
  EXPECT_TRUE(grid->HasCellType(3, 3, TCellTypes{ctDataImage}));
  EXPECT_FALSE(grid->HasCellType(-1, 3, TCellTypes{ctDataImage}));
  grid->CreateCellGraphic(1, 4)->SetCheckBox(false, false, false, haLeft, vaTop);
  EXPECT_TRUE(grid->HasClickableControl(1, 4));
  EXPECT_TRUE(grid->HasCellCheckBox(1, 4));
  grid->CreateCellGraphic(2, 4)->SetImageIdx(7, haLeft, vaTop);
  EXPECT_EQ(grid->CellImageIdx(2, 4), 7);
  TBitmap bitmap;
  grid->CreateCellGraphic(3, 4)->SetBitmap(&bitmap, false, haLeft, vaTop);
  EXPECT_EQ(grid->CellImageIdx(3, 4), -1) << "no object reference handed out as a number";
  EXPECT_TRUE(grid->RemoveCellGraphicType(2, 4, ctImageList));
  EXPECT_FALSE(grid->RemoveCellGraphicType(3, 4, ctImageList));
}

TEST(CellGraphic, SharedRowCheckBox) {
  auto grid = NewGrid();
  grid->MouseActions()->SetHotmailRowSelect(true);
  grid->MouseActions()->SetDisjunctRowSelect(true);
  for (int r = 0; r < grid->RowCount(); ++r) EXPECT_EQ(grid->CellTypes(0, r), ctRowCheckBox) << r;
  EXPECT_EQ(grid->CellGraphics(0, 0)->CellAngle(), 0);
  grid->SetRowSelect(3, true);
  EXPECT_EQ(grid->CellGraphics(0, 0)->CellAngle(), 1) << "a partial selection greys the header box";
  EXPECT_TRUE(grid->CellGraphics(0, 3)->CellBoolean());
  EXPECT_FALSE(grid->CellGraphics(0, 4)->CellBoolean());
  grid->SelectAll();
  EXPECT_EQ(grid->CellGraphics(0, 0)->CellAngle(), 0);
  EXPECT_TRUE(grid->CellGraphics(0, 0)->CellBoolean());
  // The shared graphic is never freed by removal.
  TCellGraphic* shared = grid->RowCheckBoxGraphic();
  EXPECT_FALSE(grid->RemoveCellGraphic(0, 2));
  EXPECT_EQ(grid->RowCheckBoxGraphic(), shared);
  EXPECT_EQ(shared->CellType(), ctRowCheckBox);
}

TEST(CellGraphic, SizeClaimedInTheCell) {
  auto grid = NewGrid();
  const struct {
    const char* Name;
    std::function<void(TCellGraphic*)> Make;
    TPoint Expected;
  } cases[] = {
      {"progress pie", [](TCellGraphic* g) { g->SetCellType(ctProgressPie); }, {20, 20}},
      {"shape", [](TCellGraphic* g) { g->SetCellType(ctShape); }, {18, 18}},
      {"rating of 5",
       [](TCellGraphic* g) {
         g->SetCellType(ctRating);
         g->SetCellAngle(5);
         g->SetCellHAlign(haFull);
       },
       {90, 16}},
      {"node", [](TCellGraphic* g) { g->SetCellType(ctNode); }, {0, 0}},
      {"full comment",
       [](TCellGraphic* g) {
         g->SetCellHAlign(haFull);
         g->SetCellVAlign(vaFull);
       },
       {64, 22}},
  };
  for (const auto& c : cases) {
    c.Make(grid->CreateCellGraphic(1, 1));
    EXPECT_EQ(grid->CellGraphicSize(1, 1), c.Expected) << c.Name;
  }
  grid->CreateCellGraphic(2, 2)->SetCheckBox(true, false, false, haLeft, vaTop);
  const int box = grid->CellGraphicSize(2, 2).X;
  EXPECT_GT(box, 0);
  EXPECT_EQ(grid->CellGraphicSize(2, 2).Y, box);
  EXPECT_EQ(grid->CellGraphicSize(3, 3), TPoint(0, 0)) << "no graphic";
}

}  // namespace
