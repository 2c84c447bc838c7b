// The dispatch hooks: each applies the grid's own rule, then fires its event
// with the documented parameter order (row first for the colour, border,
// alignment, hint, fixed, password and edit events).

#include <gtest/gtest.h>

#include "gdiplus/KitHintInfo.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridUtils.h"
#include "tests/grid/GridTestSupport.h"

using gridtest::NewGrid;

namespace {

TEST(GridHooks, EventsReceiveRowAndColumnInTheirOrder) {
  auto grid = NewGrid();
  QStringList log;
  auto rc = [&](const char* Name, int A, int B) { log << QStringLiteral("%1 %2 %3").arg(QLatin1String(Name)).arg(A).arg(B); };
  grid->OnCanEditCell = [&](TObject*, int ARow, int ACol, bool&) { rc("CanEdit", ARow, ACol); };
  grid->OnIsPasswordCell = [&](TObject*, int ARow, int ACol, bool&) { rc("Password", ARow, ACol); };
  grid->OnGetAlignment = [&](TObject*, int ARow, int ACol, TAlignment&, TVAlignment&) { rc("Align", ARow, ACol); };
  grid->OnGetCellColor = [&](TObject*, int ARow, int ACol, TGridDrawState, TBrush*, TFont*) { rc("Color", ARow, ACol); };
  grid->OnGetCellBorder = [&](TObject*, int ARow, int ACol, TPen*, TCellBorders&) { rc("Border", ARow, ACol); };
  grid->OnGridHint = [&](TObject*, int ARow, int ACol, QString&) { rc("Hint", ARow, ACol); };
  grid->OnGetEditorType = [&](TObject*, int ACol, int ARow, TEditorType&) { rc("Editor", ARow, ACol); };
  grid->OnGetWordWrap = [&](TObject*, int ACol, int ARow, bool&) { rc("Wrap", ARow, ACol); };
  grid->OnComboCloseUp = [&](TObject*, int ARow, int ACol) { rc("CloseUp", ARow, ACol); };
  grid->OnButtonClick = [&](TObject*, int ACol, int ARow) { rc("Button", ARow, ACol); };

  bool b = true;
  grid->CanEditCell(2, 3, b);
  grid->IsPasswordCell(2, 3, b);
  TAlignment ha = taLeftJustify;
  TVAlignment va = vtaTop;
  grid->GetAlignment(2, 3, ha, va);
  TBrush brush;
  TFont font;
  grid->GetCellColor(2, 3, TGridDrawState(), &brush, &font);
  TPen pen;
  TCellBorders borders;
  grid->GetCellBorder(2, 3, &pen, borders);
  QString wide, hint;
  grid->GridHint(2, 3, wide, hint);
  TEditorType editor = edNormal;
  grid->GetEditorType(2, 3, editor);
  grid->GetWordWrap(2, 3, b);
  grid->ComboCloseUp(3, 2);
  grid->ButtonClick(2, 3);
  // Every line must read "<event> 3 2": row 3, column 2.
  for (const QString& line : log) EXPECT_TRUE(line.endsWith(u" 3 2"_qs)) << line.toStdString();
  EXPECT_EQ(log.size(), 10);
}

TEST(GridHooks, FixedCellEventCanOnlyAddFixedCells) {
  auto grid = NewGrid();
  int fired = 0;
  grid->OnIsFixedCell = [&](TObject*, int ARow, int ACol, bool& IsFixed) {
    ++fired;
    IsFixed = ARow == 5 && ACol == 3;
  };
  bool fixed = false;
  grid->IsFixedCell(2, 0, fixed);
  EXPECT_TRUE(fixed);
  EXPECT_EQ(fired, 0) << "a cell of the fixed rows never asks";
  fixed = false;
  grid->IsFixedCell(3, 5, fixed);
  EXPECT_TRUE(fixed);
  fixed = false;
  grid->IsFixedCell(3, 6, fixed);
  EXPECT_FALSE(fixed);
  EXPECT_EQ(fired, 2);
}

TEST(GridHooks, EditableCells) {
  auto grid = NewGrid();
  grid->SetReadOnly(2, 2, true);
  bool can = true;
  grid->IsCellEditable(2, 2, can);
  EXPECT_FALSE(can) << "read-only";
  grid->OnCanEditCell = [](TObject*, int, int, bool& CanEdit) { CanEdit = true; };
  can = true;
  grid->IsCellEditable(2, 2, can);
  EXPECT_TRUE(can) << "the event may allow it";
  grid->OnCanEditCell = nullptr;
  can = false;
  grid->IsCellEditable(40, 2, can);
  EXPECT_TRUE(can) << "a column beyond all columns";
  // A covered cell answers for its base cell.
  grid->MergeCells(1, 4, 2, 1);
  grid->SetReadOnly(1, 4, true);
  can = true;
  grid->IsCellEditable(2, 4, can);
  EXPECT_FALSE(can);
}

TEST(GridHooks, EditorKindQuestions) {
  auto grid = NewGrid();
  TEditorType editor = edNormal;
  EXPECT_FALSE(grid->HasNoEditor(1, 1, editor)) << "no handler";
  grid->OnGetEditorType = [](TObject*, int ACol, int, TEditorType& AEditor) {
    AEditor = ACol == 1 ? edNone : edComboList;
  };
  EXPECT_TRUE(grid->HasNoEditor(1, 1, editor));
  EXPECT_FALSE(grid->HasNoEditor(2, 1, editor));
  for (int c = 0; c < grid->ColCount(); ++c) {
    EXPECT_FALSE(grid->HasComboBox(c, 1, edNone)) << "drop-downs not always visible";
    EXPECT_FALSE(grid->HasSpinEdit(c, 1, edSpinEdit));
  }
  grid->ControlLook()->SetDropDownAlwaysVisible(true);
  grid->ControlLook()->SetSpinButtonsAlwaysVisible(true);
  EXPECT_TRUE(grid->HasComboBox(2, 1, edNone)) << "the kind comes from the event";
  EXPECT_FALSE(grid->HasComboBox(2, 1, edNormal)) << "the kind passed in decides";
  EXPECT_TRUE(grid->HasEditBtn(2, 1, edEditBtn));
  EXPECT_TRUE(grid->HasSpinEdit(2, 1, edFloatSpinEdit));
  EXPECT_FALSE(grid->HasSpinEdit(0, 1, edSpinEdit)) << "never in fixed cells";
  grid->OnHasComboBox = [](TObject*, int, int, bool& Has) { Has = false; };
  EXPECT_FALSE(grid->HasComboBox(2, 1, edComboList)) << "the handler answers";
}

TEST(GridHooks, CellColourAppliesTheRecordAndScalesOnlyWithout) {
  auto grid = NewGrid();
  grid->SetFontColors(1, 1, clRed);
  TBrush brush;
  TFont font;
  font.SetHeight(-12);
  grid->GetCellColor(1, 1, TGridDrawState(), &brush, &font);
  EXPECT_EQ(font.Color(), clRed);
  EXPECT_EQ(font.Height(), grid->CellProperties(1, 1)->FontSize()) << "the record's height";
  TFont plain;
  plain.SetHeight(-12);
  grid->GetCellColor(3, 3, TGridDrawState(), &brush, &plain);
  EXPECT_EQ(plain.Height(), -12) << "scaled by 1.0";
  // The active-cell headers.
  grid->SetActiveCellShow(true);
  grid->SetRow(4);
  TBrush header;
  grid->GetCellColor(0, 4, TGridDrawState(), &header, &plain);
  EXPECT_EQ(header.Color(), grid->ActiveCellColor());
}

TEST(GridHooks, HintsAndCheckTexts) {
  auto grid = NewGrid();
  grid->OnGridHint = [](TObject*, int, int, QString& Hint) { Hint = u"plain"_qs; };
  grid->OnGridWideHint = [](TObject*, int, int, QString& Hint) { Hint.clear(); };
  QString wide, hint;
  grid->GridHint(1, 1, wide, hint);
  EXPECT_EQ(hint, u"plain"_qs) << "an empty wide hint leaves the hint";
  grid->OnGridWideHint = [](TObject*, int, int, QString& Hint) { Hint = u"\u20AC"_qs; };
  grid->GridHint(1, 1, wide, hint);
  EXPECT_EQ(DecodeWideText(hint), u"\u20AC"_qs);
  grid->OfficeHint()->Notes()->Add(u"from the office hint"_qs);
  grid->OnGridWideHint = nullptr;
  grid->GridHint(1, 1, wide, hint);
  EXPECT_EQ(hint.trimmed(), u"from the office hint"_qs);

  QString value;
  grid->GetCheckTrue(1, 1, value);
  EXPECT_EQ(value, u"Y"_qs);
  grid->OnGetCheckFalse = [](TObject*, int, int, QString& V) { V += u"o"_qs; };
  grid->GetCheckFalse(1, 1, value);
  EXPECT_EQ(value, u"No"_qs);
  EXPECT_EQ(grid->SearchFooterSearch(u"abc"_qs), u"abc"_qs);
  grid->OnSearchFooterSearch = [](TObject*, QString& V) { V = V.toUpper(); };
  EXPECT_EQ(grid->SearchFooterSearch(u"abc"_qs), u"ABC"_qs);
}

TEST(GridHooks, FilterEditCells) {
  auto grid = NewGrid();
  EXPECT_FALSE(grid->HasFilterEdit(1, 0));
  grid->FilterEdit()->SetEnabled(true);
  EXPECT_TRUE(grid->HasFilterEdit(1, 0));
  EXPECT_FALSE(grid->HasFilterEdit(0, 0)) << "normal columns only";
  EXPECT_FALSE(grid->HasFilterEdit(1, 1)) << "only the filter row";
  grid->OnHasFilterEdit = [](TObject*, int ACol, bool& Has) { Has = ACol != 2; };
  EXPECT_FALSE(grid->HasFilterEdit(2, 0));
}

TEST(GridHooks, SaveAndLoadCell) {
  auto grid = NewGrid();
  grid->MergeCells(1, 1, 2, 1);
  grid->SetCells(1, 1, u"merged"_qs);
  EXPECT_EQ(grid->SaveCell(2, 1), u"merged"_qs);
  grid->SetSaveMergedCells(false);
  EXPECT_EQ(grid->SaveCell(2, 1), QString()) << "a covered cell";
  grid->LoadCell(2, 1, u"raw"_qs);
  EXPECT_EQ(grid->GridCells(2, 1), u"raw"_qs) << "no merge redirection";
  EXPECT_EQ(grid->GridCells(1, 1), u"merged"_qs);
  EXPECT_TRUE(grid->BeforeEdit(1, 1));
}

}  // namespace
