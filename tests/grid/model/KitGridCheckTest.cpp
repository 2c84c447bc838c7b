// Check boxes, radio buttons and buttons in cells: adding, states, toggles
// with their events and undo, radio runs, radio groups in a cell, hit tests;
// and the indicators, images, comments, markers and balloons a cell carries.

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "grid/model/KitGrid.h"
#include "grid/model/KitGridLists.h"
#include "grid/model/KitGridUndo.h"
#include "platform/vcl/Forms.h"
#include "tests/grid/GridTestSupport.h"

namespace {

using gridtest::NewGrid;

// ---------------------------------------------------------------------------
// Toggles: each kind from each starting state, its answer, the state after,
// the event, and what undo and redo bring back.

enum class Kind { Plain, Data, TriState };

struct ToggleCase {
  const char* name;
  Kind kind;
  int start;  // plain/data: 0 unchecked, 1 checked; tri-state: TCheckBoxState
  const char* startText;  // data boxes: the cell text before
  bool toggleTriState;    // Navigation.ToggleTriStateCheck
  int after;              // the state after, as start
  const char* afterText;  // data boxes: the text after
  bool event;             // OnCheckBoxChange's state
};

const ToggleCase kToggles[] = {
    {"plain unchecked", Kind::Plain, 0, "", false, 1, "", true},
    {"plain checked", Kind::Plain, 1, "", false, 0, "", false},
    {"data N", Kind::Data, 0, "N", false, 1, "Y", true},
    {"data Y", Kind::Data, 1, "Y", false, 0, "N", false},
    // A text that is neither check text makes the box checked.
    {"data other text", Kind::Data, 0, "maybe", false, 1, "Y", true},
    // Exact comparison: "y" is not the check-true text.
    {"data lower y", Kind::Data, 0, "y", false, 1, "Y", true},
    {"tri unchecked to grayed", Kind::TriState, cbUnchecked, "", false, cbGrayed, "", false},
    {"tri unchecked to checked", Kind::TriState, cbUnchecked, "", true, cbChecked, "", true},
    {"tri grayed", Kind::TriState, cbGrayed, "", false, cbChecked, "", true},
    {"tri checked", Kind::TriState, cbChecked, "", false, cbUnchecked, "", false},
};

class ToggleTest : public ::testing::TestWithParam<ToggleCase> {};

int StateOf(TKitStringGrid& g, Kind kind) {
  if (kind == Kind::TriState) {
    TCheckBoxState s = cbUnchecked;
    EXPECT_TRUE(g.GetCheckBoxState(1, 1, s));
    return s;
  }
  bool b = false;
  EXPECT_TRUE(g.GetCheckBoxState(1, 1, b));
  return b ? 1 : 0;
}

TEST_P(ToggleTest, ToggleEventUndoRedo) {
  const ToggleCase& c = GetParam();
  auto g = NewGrid();
  auto undo = std::make_unique<TKitGridUndoRedo>(nullptr);
  g->SetUndoRedo(undo.get());
  g->Navigation()->SetToggleTriStateCheck(c.toggleTriState ? tsCheckUnCheck : tsAllStates);
  switch (c.kind) {
    case Kind::Plain: g->AddCheckBox(1, 1, c.start == 1, false); break;
    case Kind::Data:
      g->SetCells(1, 1, QString::fromLatin1(c.startText));
      g->AddCheckBox(1, 1, c.start == 1, true);
      break;
    case Kind::TriState: g->AddCheckBox(1, 1, TCheckBoxState(c.start)); break;
  }
  std::vector<std::pair<int, bool>> events;
  g->OnCheckBoxChange = [&](TObject*, int ACol, int ARow, bool State) { events.push_back({ACol * 100 + ARow, State}); };

  EXPECT_TRUE(g->ToggleCheckBox(1, 1));
  EXPECT_EQ(StateOf(*g, c.kind), c.after);
  if (c.kind == Kind::Data) EXPECT_EQ(g->Cells(1, 1), QString::fromLatin1(c.afterText));
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].first, 101);
  EXPECT_EQ(events[0].second, c.event);
  EXPECT_TRUE(g->Modified());

  // Undo brings the checked-or-not state back; a plain or data box exactly.
  undo->Undo();
  const int before = StateOf(*g, c.kind);
  if (c.kind == Kind::TriState) EXPECT_EQ(before == cbChecked, c.start == cbChecked);
  else EXPECT_EQ(before, c.start == 1 ? 1 : 0);
  // Redo goes through the box again: the toggled state.
  undo->Redo();
  const int redone = StateOf(*g, c.kind);
  if (c.kind == Kind::TriState) EXPECT_EQ(redone == cbChecked, c.after == cbChecked);
  else EXPECT_EQ(redone, c.after);
  g->SetUndoRedo(nullptr);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ToggleTest, ::testing::ValuesIn(kToggles),
                         [](const auto& info) {
                           QString n = QString::fromLatin1(info.param.name);
                           n.replace(u' ', u'_');
                           return n.toStdString();
                         });

TEST(CheckBoxTest, TogglesThatDoNothing) {
  auto g = NewGrid();
  g->AddCheckBox(1, 1, false, false);
  g->AddRadioButton(2, 1);
  g->SetCells(3, 1, QStringLiteral("text"));
  // No graphic, a graphic that is not a box.
  EXPECT_FALSE(g->ToggleCheckBox(3, 1));
  EXPECT_FALSE(g->ToggleCheckBox(2, 1));
  // Vetoed.
  g->OnCheckBoxCanToggle = [](TObject*, int, int, bool State, bool& Allow) { Allow = State; };
  EXPECT_FALSE(g->ToggleCheckBox(1, 1));
  EXPECT_FALSE(g->IsChecked(1, 1));
  g->OnCheckBoxCanToggle = nullptr;
  // A read-only cell refuses an editable toggle unless the box is always
  // active; the plain toggle does not ask.
  g->SetOptions(g->Options() + TGridOptions{goEditing});
  g->SetReadOnly(1, 1, true);
  EXPECT_FALSE(g->ToggleCellCheckBox(1, 1, true));
  EXPECT_FALSE(g->IsChecked(1, 1));
  g->ControlLook()->SetCheckAlwaysActive(true);
  EXPECT_TRUE(g->ToggleCellCheckBox(1, 1, true));
  EXPECT_TRUE(g->IsChecked(1, 1));
  EXPECT_TRUE(g->ToggleCheckBox(1, 1));
  EXPECT_FALSE(g->IsChecked(1, 1));
}

TEST(CheckBoxTest, AddingKeepsOrWritesTheDataText) {
  auto g = NewGrid();
  g->SetCells(1, 1, QStringLiteral("Y"));
  g->AddCheckBox(1, 1, false, true);
  EXPECT_EQ(g->Cells(1, 1), QStringLiteral("Y"));
  EXPECT_TRUE(g->IsChecked(1, 1));
  g->AddCheckBox(1, 2, false, true);
  EXPECT_EQ(g->Cells(1, 2), QStringLiteral("N"));
  g->AddCheckBox(1, 3, true, true);
  EXPECT_EQ(g->Cells(1, 3), QStringLiteral("Y"));
  // A plain box leaves an empty cell empty.
  g->AddCheckBox(2, 1, true, false);
  EXPECT_EQ(g->Cells(2, 1), QString());
  EXPECT_TRUE(g->HasCheckBox(2, 1));
  EXPECT_FALSE(g->HasDataCheckBox(2, 1));
  EXPECT_TRUE(g->HasDataCheckBox(1, 1));
}

TEST(CheckBoxTest, OutsideTheGridRaises) {
  auto g = NewGrid();  // 5 x 10
  EXPECT_THROW(g->AddCheckBox(5, 1, true, false), Exception);
  EXPECT_THROW(g->AddCheckBox(1, 10, cbChecked), Exception);
  EXPECT_THROW(g->AddRadioButton(9, 9), Exception);
  try {
    g->AddCheckBox(5, 1, true, false);
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Invalid cell"));
  }
  // Negative indexes address no cell: the list-index error.
  EXPECT_THROW(g->AddCheckBox(-1, 1, true, false), EListError);
  EXPECT_THROW(g->AddRadioButton(1, -2), EListError);
  EXPECT_NO_THROW(g->AddCheckBox(4, 9, true, false));
}

TEST(CheckBoxTest, ColumnsStartAtTheCheckAllRow) {
  struct Case {
    int fixedRows;
    bool checkAll;
    int firstBox;
  } cases[] = {{2, true, 1}, {1, true, 0}, {1, false, 1}, {2, false, 2}};
  for (const Case& c : cases) {
    auto g = NewGrid();
    g->SetFixedRows(c.fixedRows);
    g->MouseActions()->SetCheckAllCheck(c.checkAll);
    g->AddCheckBoxColumn(2, true, false);
    for (int r = 0; r < g->RowCount(); ++r)
      EXPECT_EQ(g->HasCheckBox(2, r), r >= c.firstBox) << c.fixedRows << c.checkAll << " row " << r;
    g->RemoveCheckBoxColumn(2);
    for (int r = 0; r < g->RowCount(); ++r) EXPECT_FALSE(g->HasCheckBox(2, r));
  }
}

TEST(CheckBoxTest, CheckAllFiresOnlyForRealChanges) {
  auto g = NewGrid();
  g->AddCheckBoxColumn(1, false, true);
  g->SetCheckBoxState(1, 3, true);
  int fired = 0;
  g->OnCheckBoxChange = [&](TObject*, int, int, bool State) {
    EXPECT_TRUE(State);
    ++fired;
  };
  g->CheckAll(1);
  EXPECT_EQ(fired, g->RowCount() - g->FixedRows() - 1);
  for (int r = g->FixedRows(); r < g->RowCount(); ++r) EXPECT_EQ(g->Cells(1, r), QStringLiteral("Y"));
  g->OnCheckBoxChange = nullptr;
  g->UnCheckAll(1);
  for (int r = g->FixedRows(); r < g->RowCount(); ++r) EXPECT_FALSE(g->IsChecked(1, r));
  EXPECT_TRUE(g->IsDataCheckBoxColumn(1));
  EXPECT_FALSE(g->IsDataCheckBoxColumn(2));
}

TEST(CheckBoxTest, RowCheckBoxesFollowTheRowSelection) {
  auto g = NewGrid();
  g->MouseActions()->SetHotmailRowSelect(true);
  EXPECT_EQ(g->GetCellType(0, 4), ctRowCheckBox);
  EXPECT_TRUE(g->ToggleCheckBox(0, 4));
  EXPECT_TRUE(g->RowSelect(4));
  EXPECT_TRUE(g->IsChecked(0, 4));
  EXPECT_TRUE(g->SetCheckBoxState(0, 4, false));
  EXPECT_FALSE(g->RowSelect(4));
}

// ---------------------------------------------------------------------------
// Radio buttons: the contiguous run is the group.

struct RadioCase {
  const char* name;
  TRadioButtonGroup group;
  // The buttons along the run ('o' unchecked, 'x' checked, '.' no button)
  // before and after clicking index click.
  const char* before;
  int click;
  const char* after;
};

const RadioCase kRadios[] = {
    {"column run", rgCol, "xooo", 2, "ooxo"},
    {"column gap keeps the other run", rgCol, "x.oo", 3, "x.ox"},
    {"column clicking the checked one", rgCol, "oxoo", 1, "oxoo"},
    {"column upwards", rgCol, "ooox", 0, "xooo"},
    {"row run", rgRow, "oxo", 0, "xoo"},
    {"row gap", rgRow, "x.o", 2, "x.x"},
    {"no group unchecks nothing", rgNone, "xox", 1, "xxx"},
};

class RadioTest : public ::testing::TestWithParam<RadioCase> {};

TEST_P(RadioTest, CheckingAButtonUnchecksItsRun) {
  const RadioCase& c = GetParam();
  auto g = NewGrid();
  g->SetColCount(6);
  const bool col = c.group != rgRow;
  const int n = int(strlen(c.before));
  auto at = [&](int i) { return col ? std::pair<int, int>{2, i + 1} : std::pair<int, int>{i + 1, 2}; };
  for (int i = 0; i < n; ++i) {
    if (c.before[i] == '.') continue;
    const auto [x, y] = at(i);
    g->AddRadioButtonGroup(x, y, c.group, c.before[i] == 'x');
  }
  const auto [cx, cy] = at(c.click);
  EXPECT_TRUE(g->ToggleCellRadio(cx, cy, false));
  QString after;
  for (int i = 0; i < n; ++i) {
    const auto [x, y] = at(i);
    after += !g->HasRadioButton(x, y) ? u'.' : (g->IsRadioButtonChecked(x, y) ? u'x' : u'o');
  }
  EXPECT_EQ(after, QString::fromLatin1(c.after));
  EXPECT_TRUE(g->Modified());
}

INSTANTIATE_TEST_SUITE_P(Runs, RadioTest, ::testing::ValuesIn(kRadios), [](const auto& info) {
  QString n = QString::fromLatin1(info.param.name);
  n.replace(u' ', u'_');
  return n.toStdString();
});

TEST(RadioButtonTest, IndexesAndNonButtons) {
  auto g = NewGrid();
  g->AddRadioButtonColumn(1);
  EXPECT_EQ(g->GetRadioButtonColumnIndex(1), -1);
  g->SetRadioButtonColumnIndex(1, 4);
  EXPECT_EQ(g->GetRadioButtonColumnIndex(1), 4);
  EXPECT_FALSE(g->SetRadioButtonState(2, 4, true));
  EXPECT_FALSE(g->ToggleCellRadio(2, 4, false));
  EXPECT_TRUE(g->HasRadioButtonGroup(1, 3, rgCol));
  EXPECT_FALSE(g->HasRadioButtonGroup(1, 3, rgRow));
  g->RemoveRadioButtonColumn(1);
  EXPECT_FALSE(g->HasRadioButton(1, 4));
}

TEST(RadioGroupTest, StepsThroughItsChoicesAndFollowsItsText) {
  auto g = NewGrid();
  TStrings* items = g->CreateRadio(1, 1, 0, -1);
  items->Add(QStringLiteral("Low"));
  items->Add(QStringLiteral("Mid"));
  items->Add(QStringLiteral("High"));
  g->SetCells(1, 1, QStringLiteral("Mid"));
  EXPECT_TRUE(g->IsRadio(1, 1));
  EXPECT_EQ(g->GetRadioStrings(1, 1), items);
  // No selected index: the text's position + 1.
  g->NextRadioIdx(1, 1, false);
  int idx = -5;
  EXPECT_TRUE(g->GetRadioIdx(1, 1, idx));
  EXPECT_EQ(idx, 2);
  EXPECT_EQ(g->Cells(1, 1), QStringLiteral("High"));
  g->NextRadioIdx(1, 1, false);  // wraps
  EXPECT_TRUE(g->GetRadioIdx(1, 1, idx));
  EXPECT_EQ(idx, 0);
  EXPECT_EQ(g->Cells(1, 1), QStringLiteral("Low"));
  EXPECT_TRUE(g->SetRadioIdx(1, 1, -1));
  EXPECT_EQ(g->Cells(1, 1), QString());
  EXPECT_FALSE(g->SetRadioIdx(2, 1, 1));
  EXPECT_FALSE(g->GetRadioIdx(2, 1, idx));
}

TEST(ButtonTest, CaptionPushAndRemove) {
  auto g = NewGrid();
  g->AddButton(1, 1, 40, 18, QStringLiteral("Go"), haCenter, vaCenter);
  EXPECT_TRUE(g->HasButton(1, 1));
  EXPECT_TRUE(g->HasClickableControl(1, 1));
  g->Navigation()->SetAllowEditButtonCells(true);
  EXPECT_FALSE(g->HasClickableControl(1, 1));
  g->SetButtonText(1, 1, QStringLiteral("Stop"));
  EXPECT_EQ(g->GetButtonText(1, 1), QStringLiteral("Stop"));
  g->PushButton(1, 1, true);
  EXPECT_TRUE(g->CellGraphics(1, 1)->CellBoolean());
  TBitmap* glyph = g->CreateBitButton(2, 1, 30, 20, QString(), haLeft, vaTop);
  ASSERT_NE(glyph, nullptr);
  g->RemoveButton(2, 1);
  EXPECT_FALSE(g->HasButton(2, 1));
  g->RemoveAllButtons();
  EXPECT_FALSE(g->HasButton(1, 1));
  EXPECT_EQ(g->GetExpandRect(1, 1), TRect(0, 0, 0, 0));
}

// ---------------------------------------------------------------------------
// Indicators, comments, markers, balloons

TEST(IndicatorTest, DataImagesAndImageCells) {
  auto g = NewGrid();
  // Nothing without an image list.
  g->AddDataImage(1, 1, 2, haLeft, vaTop);
  EXPECT_FALSE(g->HasDataImage(1, 1));
  TImageList images(nullptr);
  images.SetSize(16, 16);
  g->SetGridImages(&images);
  g->SetCells(1, 1, QStringLiteral("7"));
  g->AddDataImage(1, 1, 2, haLeft, vaTop);
  EXPECT_EQ(g->Cells(1, 1), QStringLiteral("7"));
  g->AddDataImage(1, 2, 3, haLeft, vaTop);
  EXPECT_EQ(g->Cells(1, 2), QStringLiteral("3"));
  EXPECT_TRUE(g->IsDataCell(1, 2));
  g->RemoveDataImage(1, 2);
  EXPECT_EQ(g->Cells(1, 2), QString());
  g->AddImageIdx(2, 2, 4, haLeft, vaTop);
  int idx = -1;
  EXPECT_TRUE(g->GetImageIdx(2, 2, idx));
  EXPECT_EQ(idx, 4);
  g->SetImageIdx(2, 2, 1);
  EXPECT_EQ(g->CellImageIdx(2, 2), 1);
  g->AddMultiImage(3, 3, 0, haLeft, vaTop);
  ASSERT_NE(g->CellImages(3, 3), nullptr);
  g->CellImages(3, 3)->Add(1);
  EXPECT_EQ(g->CellImages(3, 3)->Count(), 1);
  g->SetGridImages(nullptr);
}

TEST(IndicatorTest, RotatedProgressShapesAndScrollBars) {
  auto g = NewGrid();
  g->AddCheckBox(1, 1, true, false);
  g->SetRotated(1, 1, -30);
  int angle = 0;
  EXPECT_TRUE(g->IsRotated(1, 1, angle));
  EXPECT_EQ(angle, 330);
  EXPECT_FALSE(g->HasCheckBox(1, 1));

  g->AddProgress(2, 1, clRed, clWhite);
  g->AddComment(2, 1, QStringLiteral("note"));
  EXPECT_TRUE(g->HasProgress(2, 1));
  EXPECT_EQ(g->GetComment(2, 1), QStringLiteral("note"));
  g->RemoveComment(2, 1);
  EXPECT_TRUE(g->HasProgress(2, 1));
  EXPECT_EQ(g->GetComment(2, 1), QString());

  g->AddShape(3, 1, csDiamond, clBlue, clBlack, haCenter, vaCenter);
  EXPECT_EQ(g->GetShapeColor(3, 1), clBlue);
  g->SetShapeColor(3, 1, clLime);
  EXPECT_EQ(g->GetShapeColor(3, 1), clLime);
  EXPECT_EQ(g->GetShapeColor(4, 1), TColor(0x1FFFFFFF));

  const TScrollProp none = g->GetScrollProp(4, 4);
  EXPECT_EQ(none.PageSize, -1);
  EXPECT_EQ(none.Range, -1);
  EXPECT_EQ(g->GetScrollPosition(4, 4), -1);
  g->AddScrollBar(4, 4, false);
  EXPECT_EQ(g->GetScrollProp(4, 4).Range, 100);
  g->SetScrollPosition(4, 4, 12);
  EXPECT_EQ(g->GetScrollPosition(4, 4), 12);
}

TEST(CommentTest, PictureHintsCommentsAndRemoval) {
  auto g = NewGrid();
  TPicture* pic = g->CreatePicture(1, 1, false, noStretch, 0, haLeft, vaTop);
  ASSERT_NE(pic, nullptr);
  g->CellGraphics(1, 1)->SetCellText(QStringLiteral("hint"));
  g->SetComment(1, 1, QStringLiteral("comment"));
  QString text;
  EXPECT_TRUE(g->IsComment(1, 1, text));
  EXPECT_EQ(text, QStringLiteral("hint"));
  // A comment on an empty cell carries a ctNone graphic; the cell stays not
  // empty until the comment goes.
  g->SetCellComment(2, 2, QStringLiteral("c"));
  EXPECT_EQ(g->GetCellType(2, 2), ctNone);
  EXPECT_FALSE(g->IsEmpty(2, 2));
  g->RemoveAllComments();
  EXPECT_TRUE(g->IsEmpty(2, 2));
  EXPECT_EQ(g->CellComment(2, 2), QString());
}

TEST(MarkerTest, AMarkerOnlyGraphicGoesWithTheMarker) {
  auto g = NewGrid();
  g->AddMarker(1, 1, 3, 4);
  int from = 0, len = 0;
  g->GetMarker(1, 1, from, len);
  EXPECT_EQ(from, 3);
  EXPECT_EQ(len, 4);
  EXPECT_EQ(g->GetCellType(1, 1), ctEmpty);
  g->RemoveMarker(1, 1);
  EXPECT_EQ(g->CellGraphics(1, 1), nullptr);
  g->AddCheckBox(2, 1, true, false);
  g->AddMarker(2, 1, 1, 1);
  g->RemoveAllMarkers();
  EXPECT_TRUE(g->HasCheckBox(2, 1));
  g->GetMarker(2, 1, from, len);
  EXPECT_EQ(len, 0);
}

TEST(BalloonTest, HostsOwnBalloonsAndRadioGroups) {
  auto g = NewGrid();
  TBitmap bmp(4, 4);
  g->AddBitmap(1, 1, &bmp, false, haLeft, vaTop);
  g->AddBalloon(1, 1, QStringLiteral("t"), QStringLiteral("x"), biInfo);
  QString title, text;
  TBalloonIcon icon = biNone;
  EXPECT_FALSE(g->IsBalloon(1, 1, title, text, icon));  // a bitmap takes none
  EXPECT_EQ(g->GetBitmap(1, 1), &bmp);

  g->AddBalloon(2, 1, QStringLiteral("Title"), QStringLiteral("Text"), biWarning);
  EXPECT_TRUE(g->HasBalloon(2, 1));
  EXPECT_TRUE(g->IsBalloon(2, 1, title, text, icon));
  EXPECT_EQ(title, QStringLiteral("Title"));
  EXPECT_EQ(text, QStringLiteral("Text"));
  EXPECT_EQ(icon, biWarning);

  TIcon* ic = g->CreateIcon(3, 1, haLeft, vaTop);
  ASSERT_NE(ic, nullptr);
  g->AddBalloon(3, 1, QStringLiteral("a"), QStringLiteral("b"), biError);
  EXPECT_TRUE(g->IsBalloon(3, 1, title, text, icon));
  EXPECT_FALSE(g->HasBalloon(3, 1));  // attached balloons do not count
  g->RemoveBalloon(3, 1);
  EXPECT_EQ(g->GetCellType(3, 1), ctIcon);
  EXPECT_FALSE(g->IsBalloon(3, 1, title, text, icon));

  // A radio button's group is its own: a balloon neither joins nor leaves a
  // group.
  g->AddRadioButtonGroup(4, 1, rgRow, false);
  g->AddBalloon(4, 1, QStringLiteral("r"), QStringLiteral("s"), biInfo);
  EXPECT_TRUE(g->HasRadioButtonGroup(4, 1, rgRow));
  g->RemoveBalloon(4, 1);
  EXPECT_TRUE(g->HasRadioButtonGroup(4, 1, rgRow));
  g->AddRadioButtonGroup(4, 2, rgCol, false);
  EXPECT_FALSE(g->IsBalloon(4, 2, title, text, icon));
  // A check box with a balloon is not grayed by it.
  g->AddCheckBox(1, 3, false, false);
  g->AddBalloon(1, 3, QStringLiteral("c"), QStringLiteral("d"), biInfo);
  EXPECT_EQ(g->CellGraphics(1, 3)->CellAngle(), 0);
}

}  // namespace

// The precise hit test of a check box in a right-aligned cell with text:
// the box stands left of the text.
TEST(CheckBoxHitTest, PreciseHitsOnlyTheBox) {
  TForm form(nullptr);
  form.SetBounds(10, 10, 400, 300);
  TKitStringGrid* g = Create<TKitStringGrid>(&form);
  g->SetBounds(0, 0, 380, 280);
  g->SetDefaultColWidth(120);
  g->SetDefaultRowHeight(24);
  g->SetParent(&form);
  form.Show();
  g->SetCells(1, 1, QStringLiteral("some text"));
  g->SetAlignments(1, 1, taRightJustify);
  g->AddCheckBox(1, 1, false, false);
  const TRect r = g->CellRect(1, 1);
  const int textWidth = g->GetCellTextSize(1, 1, false, false).cx;
  // Without the precise check every point of the cell counts.
  EXPECT_TRUE(g->IsInCheckBox(1, 1, r.Right - 3, r.Top + 3));
  g->MouseActions()->SetPreciseCheckBoxCheck(true);
  // On the text: no; just left of the text, inside the box: yes.
  EXPECT_FALSE(g->IsInCheckBox(1, 1, r.Right - 4, r.Top + 6));
  const int boxRight = r.Right - 2 - textWidth;
  EXPECT_TRUE(g->IsInCheckBox(1, 1, boxRight - 3, r.Top + 6));
  EXPECT_FALSE(g->IsInCheckBox(1, 1, boxRight, r.Top + 6));
  EXPECT_FALSE(g->IsInCheckBox(1, 1, r.Left + 3, r.Top + 6));
  // A cell without a box never.
  EXPECT_FALSE(g->IsInCheckBox(2, 1, r.Right + 5, r.Top + 6));
}
