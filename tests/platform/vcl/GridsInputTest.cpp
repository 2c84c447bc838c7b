// The framework grid's input through the whole path (Qt event, translator,
// dialog keys, message map): key navigation with the selection anchor,
// mouse selection, column and row sizing, the wheel, the scroll while
// selecting, and the in-place editor.

#include "tests/platform/vcl/GridsTestSupport.h"

using namespace vcltest;

namespace {

// The point inside a cell of the probe grid's default layout (columns of 50,
// rows of 20, lines of 1, nothing scrolled).
TPoint At(int Col, int Row) { return TPoint(Col * 51 + 10, Row * 21 + 10); }

struct TKeyCase {
  const char* Name;
  TGridOptions Extra;
  TGridCoord Start;
  std::vector<std::pair<WORD, TShiftState>> Keys;
  TGridCoord Current;
  TGridRect Selection;
  TGridCoord TopLeft;
};

}  // namespace

class GridKeysTest : public GridFormTest {
 protected:
  void Run(const TKeyCase& c) {
    SCOPED_TRACE(c.Name);
    Grid->SetOptions(TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine} + c.Extra);
    Grid->SetLeftCol(1);
    Grid->SetTopRow(1);
    Grid->FocusCell(c.Start.X, c.Start.Y, true);
    Pump();
    for (const auto& [key, shift] : c.Keys) Key(key, shift);
    EXPECT_EQ(SelText(TGridRect{Grid->Col(), Grid->Row(), Grid->Col(), Grid->Row()}),
              SelText(TGridRect{c.Current.X, c.Current.Y, c.Current.X, c.Current.Y}));
    EXPECT_EQ(SelText(Grid->Selection()), SelText(c.Selection));
    EXPECT_EQ(Grid->LeftCol(), c.TopLeft.X);
    EXPECT_EQ(Grid->TopRow(), c.TopLeft.Y);
  }
};

TEST_F(GridKeysTest, ArrowsPagesHomeEndMoveTheCurrentCellAndShiftExtends) {
  const TGridOptions range{goRangeSelect};
  const TShiftState none;
  const TShiftState shift{ssShift};
  const TShiftState ctrl{ssCtrl};
  // 300 x 200: columns 1..4 and rows 1..8 fully shown; a page of rows is 7;
  // the last left column is 6, the last top row 2.
  const TKeyCase cases[] = {
      {"right", range, {1, 1}, {{VK_RIGHT, none}}, {2, 1}, {2, 1, 2, 1}, {1, 1}},
      {"left stops at the fixed column", range, {1, 1}, {{VK_LEFT, none}, {VK_UP, none}}, {1, 1}, {1, 1, 1, 1}, {1, 1}},
      {"shift extends from the anchor", range, {2, 2},
       {{VK_RIGHT, shift}, {VK_DOWN, shift}, {VK_DOWN, shift}}, {3, 4}, {2, 2, 3, 4}, {1, 1}},
      {"shift the other way normalises", range, {4, 4}, {{VK_LEFT, shift}, {VK_UP, shift}}, {3, 3}, {3, 3, 4, 4}, {1, 1}},
      {"a plain key drops the range", range, {2, 2}, {{VK_RIGHT, shift}, {VK_DOWN, none}}, {3, 3}, {3, 3, 3, 3}, {1, 1}},
      {"shift without range select", {}, {2, 2}, {{VK_RIGHT, shift}}, {3, 2}, {3, 2, 3, 2}, {1, 1}},
      {"end scrolls it into view", range, {2, 3}, {{VK_END, none}}, {9, 3}, {9, 3, 9, 3}, {6, 1}},
      {"home", range, {5, 3}, {{VK_HOME, none}}, {1, 3}, {1, 3, 1, 3}, {1, 1}},
      {"shift+end selects to the end", range, {2, 3}, {{VK_END, shift}}, {9, 3}, {2, 3, 9, 3}, {6, 1}},
      {"ctrl+end", range, {2, 3}, {{VK_END, ctrl}}, {9, 9}, {9, 9, 9, 9}, {6, 2}},
      {"ctrl+home", range, {5, 5}, {{VK_END, ctrl}, {VK_HOME, ctrl}}, {1, 1}, {1, 1, 1, 1}, {1, 1}},
      {"page down", range, {1, 1}, {{VK_NEXT, none}}, {1, 8}, {1, 8, 1, 8}, {1, 2}},
      {"page up", range, {1, 9}, {{VK_PRIOR, none}}, {1, 2}, {1, 2, 1, 2}, {1, 1}},
      {"shift+page down", range, {1, 1}, {{VK_NEXT, shift}}, {1, 8}, {1, 1, 1, 8}, {1, 2}},
      {"ctrl+down scrolls only", range, {1, 1}, {{VK_DOWN, ctrl}}, {1, 1}, {1, 1, 1, 1}, {1, 2}},
      {"ctrl+page down: bottom of the page", range, {1, 1}, {{VK_NEXT, ctrl}}, {1, 8}, {1, 8, 1, 8}, {1, 1}},
      {"ctrl+page up: top of the page", range, {1, 5}, {{VK_PRIOR, ctrl}}, {1, 1}, {1, 1, 1, 1}, {1, 1}},
      {"ctrl+right: a page of columns", range, {1, 1}, {{VK_RIGHT, ctrl}}, {4, 1}, {4, 1, 4, 1}, {4, 1}},
      {"row select: down moves the row", {goRowSelect}, {1, 1}, {{VK_DOWN, none}}, {1, 2}, {1, 2, 9, 2}, {1, 1}},
      {"row select: right scrolls", {goRowSelect}, {1, 3}, {{VK_RIGHT, none}, {VK_RIGHT, none}}, {1, 3}, {1, 3, 9, 3},
       {3, 1}},
      {"row select: end goes to the last row", {goRowSelect}, {1, 3}, {{VK_END, none}}, {1, 9}, {1, 9, 9, 9}, {1, 2}},
      {"row select range", {goRowSelect, goRangeSelect}, {1, 3}, {{VK_DOWN, shift}}, {1, 4}, {1, 3, 9, 4}, {1, 1}},
      {"tab without goTabs leaves the cell", range, {1, 1}, {{VK_TAB, none}}, {1, 1}, {1, 1, 1, 1}, {1, 1}},
      {"tab walks and wraps", {goTabs}, {8, 1}, {{VK_TAB, none}, {VK_TAB, none}}, {1, 2}, {1, 2, 1, 2}, {1, 1}},
      {"shift+tab wraps back", {goTabs, goRangeSelect}, {1, 2}, {{VK_TAB, shift}}, {9, 1}, {9, 1, 9, 1}, {6, 1}},
      {"shift+tab from the first cell goes to the last", {goTabs}, {1, 1}, {{VK_TAB, shift}}, {9, 9}, {9, 9, 9, 9},
       {6, 2}},
  };
  for (const TKeyCase& c : cases) Run(c);
}

TEST_F(GridKeysTest, TabSkipsColumnsThatAreNoTabStopsAndSelectCellCanRefuse) {
  Grid->SetTabStops(2, false);
  Grid->SetTabStops(3, false);
  Run({"tab stops", {goTabs}, {1, 1}, {{VK_TAB, {}}}, {4, 1}, {4, 1, 4, 1}, {1, 1}});
  Grid->Refused = {TGridCoord{2, 5}};
  Run({"refused cell", {}, {2, 4}, {{VK_DOWN, {}}}, {2, 4}, {2, 4, 2, 4}, {1, 1}});
  int clicks = 0;
  Grid->OnClick = [&](TObject*) { ++clicks; };
  Key(VK_RIGHT);
  EXPECT_EQ(clicks, 1);  // moving the current cell is a click of the grid
  EXPECT_EQ(Grid->Col(), 3);
}

TEST_F(GridKeysTest, OnKeyDownSeesTheKeyFirstAndCanSwallowIt) {
  Grid->FocusCell(2, 2, true);
  QStringList seen;
  Grid->OnKeyDown = [&](TObject*, Word& Key, TShiftState) {
    seen << QString::number(Key);
    if (Key == VK_DOWN) Key = 0;
  };
  Key(VK_DOWN);
  Key(VK_RIGHT);
  EXPECT_EQ(seen, (QStringList{QString::number(VK_DOWN), QString::number(VK_RIGHT)}));
  EXPECT_EQ(Grid->Row(), 2);
  EXPECT_EQ(Grid->Col(), 3);
}

// --- mouse ---------------------------------------------------------------------

TEST_F(GridFormTest, MouseSelectsByClickDragAndShiftClick) {
  Click(Grid, At(3, 4).X, At(3, 4).Y);
  EXPECT_EQ(Grid->Col(), 3);
  EXPECT_EQ(Grid->Row(), 4);
  EXPECT_EQ(SelText(Grid->Selection()), "3,4-3,4");
  // Dragging moves the anchor: the current cell stays where the press was.
  Drag(Grid, At(1, 1), At(3, 4));
  EXPECT_EQ(Grid->Col(), 1);
  EXPECT_EQ(Grid->Row(), 1);
  EXPECT_EQ(Grid->SelectionAnchor(), (TGridCoord{3, 4}));
  EXPECT_EQ(SelText(Grid->Selection()), "1,1-3,4");
  EXPECT_EQ(Grid->GridState(), gsNormal);
  // Shift+click moves the anchor alone.
  Click(Grid, At(2, 2).X, At(2, 2).Y);
  Click(Grid, At(4, 1).X, At(4, 1).Y, mbLeft, TShiftState{ssShift});
  EXPECT_EQ(Grid->Col(), 2);
  EXPECT_EQ(Grid->Row(), 2);
  EXPECT_EQ(SelText(Grid->Selection()), "2,1-4,2");
  // A press on a fixed cell selects nothing.
  Click(Grid, At(0, 3).X, At(0, 3).Y);
  EXPECT_EQ(SelText(Grid->Selection()), "2,1-4,2");
  // Without range selection a drag moves the current cell along.
  Grid->SetOptions(Grid->Options() - TGridOptions{goRangeSelect});
  Drag(Grid, At(1, 1), At(3, 3));
  EXPECT_EQ(SelText(Grid->Selection()), "3,3-3,3");
}

TEST_F(GridFormTest, WhileEditingAClickMovesTheCurrentCellWithoutARange) {
  TManualClock clock;
  Grid->SetOptions(Grid->Options() + TGridOptions{goEditing});
  Grid->FocusCell(2, 2, true);
  Drag(Grid, At(1, 1), At(3, 3));
  EXPECT_EQ(SelText(Grid->Selection()), "1,1-1,1");
  EXPECT_EQ(Grid->InplaceEditor(), nullptr);
  // A click on the current cell (not a double click) opens the editor.
  clock.Advance(1000);
  Click(Grid, At(1, 1).X, At(1, 1).Y);
  ASSERT_NE(Grid->InplaceEditor(), nullptr);
  EXPECT_TRUE(Grid->InplaceEditor()->Visible());
}

TEST_F(GridFormTest, SelectingOutsideTheCellsScrollsOnTheTimer) {
  TManualClock clock;
  MouseDown(Grid, At(2, 2).X, At(2, 2).Y);
  EXPECT_EQ(Grid->GridState(), gsSelecting);
  MouseMove(Grid, 330, At(2, 2).Y);  // right of the grid
  const int anchorBefore = Grid->SelectionAnchor().X;
  clock.Advance(60 * 4);
  EXPECT_GE(Grid->SelectionAnchor().X, anchorBefore + 3);
  EXPECT_GT(Grid->LeftCol(), 1);
  MouseUp(Grid, 330, At(2, 2).Y);
  EXPECT_EQ(Grid->GridState(), gsNormal);
  const TGridCoord anchor = Grid->SelectionAnchor();
  clock.Advance(600);
  EXPECT_EQ(Grid->SelectionAnchor(), anchor);  // the timer is gone
  EXPECT_EQ(Grid->Col(), 2);
}

TEST_F(GridFormTest, DraggingAFixedRowLineSizesTheColumn) {
  Grid->SetOptions(Grid->Options() + TGridOptions{goColSizing, goRowSizing});
  // The line after column 2 is at x = 152; the band reaches 3 to the left
  // and 4 to the right.
  struct TCase {
    int X, Y;
    TGridState State;
    int Index;
  };
  const TCase states[] = {
      {152, 10, gsColSizing, 2}, {149, 10, gsColSizing, 2}, {156, 10, gsColSizing, 2}, {148, 10, gsNormal, -1},
      {152, 30, gsNormal, -1},   // not in a fixed row
      {40, 10, gsNormal, -1},    // a fixed column's line is not sized
      {10, 62, gsRowSizing, 2},  // the line under row 2, in the fixed column
      {60, 62, gsNormal, -1},
  };
  for (const TCase& c : states) {
    SCOPED_TRACE(QStringLiteral("%1,%2").arg(c.X).arg(c.Y).toStdString());
    TGridState state = gsSelecting;
    int index = 99, pos = 0, ofs = 0;
    Grid->CalcSizingState(c.X, c.Y, state, index, pos, ofs);
    EXPECT_EQ(state, c.State);
    EXPECT_EQ(index, c.Index);
  }
  // The cursor says so.
  MouseMove(Grid, 152, 10);
  EXPECT_EQ(Grid->AppliedCursor(), crHSplit);
  MouseMove(Grid, 10, 62);
  EXPECT_EQ(Grid->AppliedCursor(), crVSplit);
  MouseMove(Grid, 120, 50);
  EXPECT_NE(Grid->AppliedCursor(), crHSplit);
  // Drag the line 30 pixels right: the column is 80 wide; the selection
  // did not move.
  const TGridRect sel = Grid->Selection();
  Grid->Hooks.clear();
  Drag(Grid, TPoint(151, 10), TPoint(181, 10));
  EXPECT_EQ(Grid->ColWidths(2), 80);
  EXPECT_EQ(Grid->Selection(), sel);
  EXPECT_TRUE(Grid->Hooks.contains(QStringLiteral("ColWidthsChanged")));
  EXPECT_EQ(Grid->GridState(), gsNormal);
  // Past the cell's left edge: 1 pixel, never hidden.
  Drag(Grid, TPoint(182, 10), TPoint(20, 10));
  EXPECT_EQ(Grid->ColWidths(2), 1);
  // Rows likewise.
  Drag(Grid, TPoint(10, 62), TPoint(10, 72));
  EXPECT_EQ(Grid->RowHeights(2), 30);
  // Without goColSizing the same drag selects.
  Grid->SetOptions(Grid->Options() - TGridOptions{goColSizing});
  Drag(Grid, TPoint(Grid->CellRect(3, 0).Left - 1, 10), TPoint(Grid->CellRect(3, 0).Left + 40, 10));
  EXPECT_EQ(Grid->ColWidths(2), 1);
}

TEST_F(GridFormTest, TheWheelMovesTheCurrentRowUnlessAHandlerTakesIt) {
  Grid->FocusCell(2, 3, true);
  Wheel(Grid, -1, 100, 100);
  EXPECT_EQ(Grid->Row(), 4);
  Wheel(Grid, -2, 100, 100);
  EXPECT_EQ(Grid->Row(), 6);
  Wheel(Grid, 1, 100, 100);
  EXPECT_EQ(Grid->Row(), 5);
  Grid->OnMouseWheelDown = [](TObject*, TShiftState, TPoint, bool& Handled) { Handled = true; };
  Wheel(Grid, -1, 100, 100);
  EXPECT_EQ(Grid->Row(), 5);
  Grid->FocusCell(2, 9, true);
  Grid->OnMouseWheelDown = nullptr;
  Wheel(Grid, -1, 100, 100);
  EXPECT_EQ(Grid->Row(), 9);  // the last row stays
}

TEST_F(GridFormTest, FixedCellClicksNeedTheirOption) {
  TManualClock clock;  // clicks apart in time, never double clicks
  QStringList clicks;
  Grid->OnFixedCellClick = [&](TObject*, int c, int r) { clicks << QStringLiteral("%1,%2").arg(c).arg(r); };
  Click(Grid, At(2, 0).X, At(2, 0).Y);
  EXPECT_TRUE(clicks.isEmpty());
  Grid->SetOptions(Grid->Options() + TGridOptions{goFixedColClick, goFixedRowClick});
  clock.Advance(1000);
  Click(Grid, At(2, 0).X, At(2, 0).Y);
  clock.Advance(1000);
  Click(Grid, At(0, 3).X, At(0, 3).Y);
  clock.Advance(1000);
  Click(Grid, At(0, 0).X, At(0, 0).Y);  // the corner is neither
  clock.Advance(1000);
  Drag(Grid, At(2, 0), At(4, 0));  // released elsewhere: no click
  EXPECT_EQ(clicks, (QStringList{"2,0", "0,3"}));
}

// --- the editor --------------------------------------------------------------------

class GridEditorTest : public GridFormTest {
 protected:
  void SetUp() override {
    GridFormTest::SetUp();
    Grid->SetOptions(Grid->Options() + TGridOptions{goEditing});
    Grid->SetCells(2, 2, QStringLiteral("abc"));
    Grid->OnSetEditText = [this](TObject*, int c, int r, const QString& v) {
      Edits << QStringLiteral("%1,%2=%3").arg(c).arg(r).arg(v);
    };
    Grid->FocusCell(2, 2, true);
    Pump();
  }
  QStringList Edits;
};

TEST_F(GridEditorTest, F2OpensTheEditorOverTheCellWithItsText) {
  EXPECT_EQ(Grid->InplaceEditor(), nullptr);  // nil until first shown
  Key(VK_F2);
  TInplaceEdit* editor = Grid->InplaceEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_TRUE(Grid->EditorMode());
  EXPECT_TRUE(editor->Visible());
  EXPECT_EQ(editor->Text(), QStringLiteral("abc"));
  EXPECT_EQ(editor->BoundsRect(), Grid->CellRect(2, 2));
  EXPECT_TRUE(editor->Focused());
  // Typed text reaches the cell at once, through SetEditText.
  Type(QStringLiteral("xy"));
  EXPECT_EQ(editor->Text(), QStringLiteral("abcxy"));
  EXPECT_EQ(Grid->Cells(2, 2), QStringLiteral("abcxy"));
  EXPECT_EQ(Edits.last(), QStringLiteral("2,2=abcxy"));
  // Enter closes it; the grid has the focus again.
  Key(VK_RETURN);
  EXPECT_FALSE(Grid->EditorMode());
  EXPECT_FALSE(editor->Visible());
  EXPECT_TRUE(Grid->Focused());
  EXPECT_EQ(Grid->Cells(2, 2), QStringLiteral("abcxy"));
  // Enter again opens it again, the same editor.
  Key(VK_RETURN);
  EXPECT_TRUE(Grid->EditorMode());
  EXPECT_EQ(Grid->InplaceEditor(), editor);
}

TEST_F(GridEditorTest, ATypedCharacterOpensTheEditorWithIt) {
  Type(QStringLiteral("Z"));
  ASSERT_NE(Grid->InplaceEditor(), nullptr);
  EXPECT_EQ(Grid->InplaceEditor()->Text(), QStringLiteral("Z"));
  EXPECT_EQ(Grid->Cells(2, 2), QStringLiteral("Z"));
  Type(QStringLiteral("q"));
  EXPECT_EQ(Grid->Cells(2, 2), QStringLiteral("Zq"));
}

TEST_F(GridEditorTest, EscapePutsTheOpeningTextBack) {
  Key(VK_F2);
  Type(QStringLiteral("123"));
  EXPECT_EQ(Grid->Cells(2, 2), QStringLiteral("abc123"));
  Key(VK_ESCAPE);
  EXPECT_FALSE(Grid->EditorMode());
  EXPECT_EQ(Grid->Cells(2, 2), QStringLiteral("abc"));
}

TEST_F(GridEditorTest, ArrowsInTheEditorMoveTheGridAndStoreTheText) {
  Key(VK_F2);
  Type(QStringLiteral("!"));
  Key(VK_DOWN);
  EXPECT_EQ(Grid->Row(), 3);
  EXPECT_FALSE(Grid->EditorMode());
  EXPECT_FALSE(Grid->InplaceEditor()->Visible());
  EXPECT_EQ(Grid->Cells(2, 2), QStringLiteral("abc!"));
  EXPECT_TRUE(Grid->Focused());
  // Left and Right stay in the text unless the editor always shows.
  Grid->FocusCell(2, 2, true);
  Key(VK_F2);
  Key(VK_LEFT);
  EXPECT_EQ(Grid->Col(), 2);
  Grid->HideEditor();
  Grid->SetOptions(Grid->Options() + TGridOptions{goAlwaysShowEditor});
  Pump();
  ASSERT_TRUE(Grid->InplaceEditor()->Visible());
  Key(VK_HOME);  // caret at the start
  Key(VK_LEFT);
  EXPECT_EQ(Grid->Col(), 1);
  EXPECT_TRUE(Grid->InplaceEditor()->Visible());  // it follows to the new cell
  EXPECT_EQ(Grid->InplaceEditor()->BoundsRect(), Grid->CellRect(1, 2));
}

TEST_F(GridEditorTest, TheLimitTheTextHookAndRowSelectionShapeTheEditor) {
  Grid->EditLimit = 4;
  Grid->OnGetEditText = [](TObject*, int, int, QString& Value) { Value = Value.toUpper(); };
  Key(VK_F2);
  ASSERT_NE(Grid->InplaceEditor(), nullptr);
  EXPECT_EQ(Grid->InplaceEditor()->Text(), QStringLiteral("ABC"));
  EXPECT_EQ(Grid->InplaceEditor()->MaxLength(), 4);
  Type(QStringLiteral("defg"));
  EXPECT_EQ(Grid->InplaceEditor()->Text(), QStringLiteral("ABCd"));
  Key(VK_RETURN);
  // A program write to the current cell reloads an open editor.
  Key(VK_F2);
  Grid->SetCells(2, 2, QStringLiteral("new"));
  EXPECT_EQ(Grid->InplaceEditor()->Text(), QStringLiteral("NEW"));
  Grid->HideEditor();
  // Under row selection there is no editor.
  Grid->SetOptions(Grid->Options() + TGridOptions{goRowSelect});
  Key(VK_F2);
  EXPECT_FALSE(Grid->InplaceEditor()->Visible());
  // The editor goes with the grid.
  Form.reset();
  Pump();
  SUCCEED();
}

TEST_F(GridEditorTest, ScrollingTheCellAwayTakesTheEditorAlong) {
  Key(VK_F2);
  ASSERT_TRUE(Grid->InplaceEditor()->Visible());
  Grid->SetLeftCol(3);
  EXPECT_FALSE(Grid->InplaceEditor()->Visible());
  Grid->SetLeftCol(1);
  Grid->SetTopRow(2);
  // Back in view at another place: the editor follows when shown again.
  Grid->ShowEditor();
  EXPECT_EQ(Grid->InplaceEditor()->BoundsRect(), Grid->CellRect(2, 2));
}
