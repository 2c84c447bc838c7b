// The painter's less common branches at sample pixels: hovered and pressed
// header cells (with the header drop-down), the row indicator, the list-view
// header, tree lines of node rows, the search highlight, the filter glyph,
// the colours outside a disjunct selection, background pictures, the
// filter-edit row, the metro glyphs of colour tones; the node data and
// node-aware row hooks they rest on; the window's notifications.

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPainter>

#include "foundation/KitMiniHTMLEngine.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridDraw.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Themes.h"
#include "tests/harness/Harness.h"
#include "tests/support/PixelProbes.h"
#include "tests/support/TestSupport.h"

// Stands for a picker editor: what ColorSelect and ImageSelect read of it.
class TPickerProbe : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TPickerProbe)
  TF_PLAIN_PROPERTY(TColor, SelectedColor, 0)
  TF_PLAIN_PROPERTY(QString, Text, QString())
  TF_PLAIN_PROPERTY(int, ItemIndex, -1)
};

TF_PUBLISHED(TPickerProbe, TPersistent) {
  using P = TPickerProbe;
  return TPublished<P>()
      .Color("SelectedColor", &P::SelectedColor, &P::SetSelectedColor)
      .String("Text", &P::Text, &P::SetText)
      .Integer("ItemIndex", &P::ItemIndex, &P::SetItemIndex);
}

namespace {

QRect Q(const TRect& R) { return QRect(R.Left, R.Top, R.Width(), R.Height()); }

// A grid with one fixed row and one fixed column, 6 x 12 cells of 90 x 24,
// no scroll bars, text in every data cell but column 0.
class GridBranchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(10, 10, 640, 400);
    Grid = Create<TKitStringGrid>(Form.get());
    Grid->SetBounds(0, 0, 560, 320);
    Grid->SetBorderStyle(bsNone);
    Grid->SetScrollBars(ssNone);
    Grid->SetColCount(6);
    Grid->SetRowCount(12);
    Grid->SetFixedRows(1);
    Grid->SetFixedCols(1);
    Grid->SetDefaultColWidth(90);
    Grid->SetDefaultRowHeight(24);
    Grid->SetParent(Form.get());
    for (int c = 1; c < 6; ++c) {
      Grid->SetCells(c, 0, QStringLiteral("Head %1").arg(c));
      for (int r = 1; r < 12; ++r) Grid->SetCells(c, r, QStringLiteral("Item %1").arg(r));
    }
    ASSERT_TRUE(vcltest::ShowAndActivate(Form.get()));
    Grid->SetFocus();
    vcltest::Pump();
  }
  void TearDown() override {
    Form.reset();
    if (TStyleManager::IsCustomStyleActive()) TStyleManager::SetStyle(QStringLiteral("Windows"));
    vcltest::Pump();
  }
  QImage Paint() {
    Grid->WidgetIfAllocated()->repaint();
    return Grid->BackBuffer().copy();
  }
  static void Keep(const QImage& Image, const QString& Name) {
    ASSERT_TRUE(Image.save(QDir(testsupport::TestOutputFolder()).filePath(Name)));
  }
  int CountIn(const QImage& Image, uint32_t Bgr, const QRect& Area, int Tolerance = 0) {
    const QRgb argb = 0xFF000000u | (Bgr & 0xFF) << 16 | (Bgr & 0xFF00) | (Bgr >> 16 & 0xFF);
    return Tolerance == 0 ? probe::Count(Image, probe::IsBgr(Bgr), Area)
                          : probe::Count(Image, probe::NearTo(argb, Tolerance), Area);
  }

  std::unique_ptr<TForm> Form;
  TKitStringGrid* Grid = nullptr;
};

// ---------------------------------------------------------------------------
// Headers

struct THeaderCase {
  TVDXStyle Style;
  const char* Name;
  uint32_t HoverTop, DownTop, DownBorder;
};

class HeaderLookTest : public GridBranchTest, public ::testing::WithParamInterface<THeaderCase> {};

TEST_P(HeaderLookTest, HoveredAndPressedHeadersTakeTheLooksGradients) {
  const THeaderCase& t = GetParam();
  Grid->SetComponentStyle(t.Style);
  Grid->SetHoverFixedCells(hfAll);
  Grid->SetHoverFixedCell(TGridCoord{2, 0});
  const TRect hovered = Grid->CellRect(2, 0);
  const TRect other = Grid->CellRect(3, 0);
  // The top of the cell, away from the text.
  // One row near the top, where a mirror gradient has hardly moved.
  auto top = [](const TRect& R) { return QRect(R.Left + 4, R.Top + 2, 6, 1); };

  const QImage hover = Paint();
  Keep(hover, QStringLiteral("header-hover-%1.png").arg(QLatin1String(t.Name)));
  EXPECT_EQ(CountIn(hover, t.HoverTop, top(hovered), 3), 6) << "hovered header";
  EXPECT_EQ(CountIn(hover, t.HoverTop, top(other), 1), 0) << "only the hovered header";

  Grid->SetMouseButtonDown(true);
  const QImage down = Paint();
  Keep(down, QStringLiteral("header-pressed-%1.png").arg(QLatin1String(t.Name)));
  EXPECT_EQ(CountIn(down, t.DownTop, top(hovered), 3), 6) << "pressed header";
  // The frame in the set's border colour along the cell's left edge.
  EXPECT_GT(CountIn(down, t.DownBorder, QRect(hovered.Left, hovered.Top + 4, 2, 12)), 6);

  // With the header drop-down: the right 16 pixels in the hover set while
  // the left part is pressed, a separator and a black arrow.
  Grid->ControlLook()->SetFixedDropDownButton(true);
  const QImage split = Paint();
  Keep(split, QStringLiteral("header-dropdown-%1.png").arg(QLatin1String(t.Name)));
  EXPECT_EQ(CountIn(split, t.DownTop, top(hovered), 3), 6);
  EXPECT_EQ(CountIn(split, t.HoverTop, QRect(hovered.Right - 13, hovered.Top + 2, 3, 1), 3), 3);
  EXPECT_GT(CountIn(split, 0x000000, QRect(hovered.Right - 12, hovered.Top + 7, 10, 5)), 4) << "arrow";
  // The drop-down held: the parts swap.
  Grid->SetFixedDropDownPressed(true);
  const QImage swapped = Paint();
  EXPECT_EQ(CountIn(swapped, t.HoverTop, top(hovered), 3), 6);
  EXPECT_EQ(CountIn(swapped, t.DownTop, QRect(hovered.Right - 13, hovered.Top + 2, 3, 1), 3), 3);
}

INSTANTIATE_TEST_SUITE_P(Styles, HeaderLookTest,
                         ::testing::Values(THeaderCase{tsWindows7, "win7", 0xFEFBF8, 0xF1E8DD, 0xD5BCAA},
                                           THeaderCase{tsOffice2013White, "office2013", 0xFCF0E4, 0xFCE2C8,
                                                       0xE59D56}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(GridBranchTest, HoverOnlyWhereTheHoverSettingsAllow) {
  Grid->SetComponentStyle(tsOffice2013White);
  Grid->SetHoverFixedCell(TGridCoord{2, 0});
  const TRect cell = Grid->CellRect(2, 0);
  const QRect top(cell.Left + 4, cell.Top + 2, 6, 1);
  // hfNone and hfFixedColumns: a header of a fixed row does not react.
  for (THoverFixedCells setting : {hfNone, hfFixedColumns}) {
    Grid->SetHoverFixedCells(setting);
    const QImage img = Paint();
    EXPECT_EQ(CountIn(img, 0xFCF0E4, top, 2), 0) << int(setting);
  }
  Grid->SetHoverFixedCells(hfFixedRows);
  EXPECT_EQ(CountIn(Paint(), 0xFCF0E4, top, 2), 6);
  EXPECT_TRUE(Grid->IsFixedHoverCell(2, 0));
  EXPECT_FALSE(Grid->IsFixedHoverCell(0, 3)) << "a fixed column's cell";
  EXPECT_FALSE(Grid->IsFixedHoverCell(2, 3)) << "a normal cell";
  // The event has the last word.
  Grid->OnIsFixedHoverCell = [](TObject*, int, int, bool& Result) { Result = false; };
  EXPECT_FALSE(Grid->IsFixedHoverCell(2, 0));
}

TEST_F(GridBranchTest, RowIndicatorSitsInTheCurrentRowsFixedCell) {
  TBitmap indicator(12, 12);
  indicator.SetPixelFormat(pf24bit);
  indicator.Canvas()->Brush()->SetColor(clFuchsia);
  indicator.Canvas()->FillRect(TRect(0, 0, 12, 12));
  indicator.Canvas()->Brush()->SetColor(0x00A000);
  indicator.Canvas()->FillRect(TRect(2, 2, 10, 10));
  Grid->RowIndicator()->Assign(&indicator);
  Grid->SetVAlignment(vtaCenter);
  Grid->FocusCell(2, 4);
  const QImage img = Paint();
  Keep(img, QStringLiteral("row-indicator.png"));
  const TRect current = Grid->CellRect(0, 4);
  EXPECT_EQ(CountIn(img, 0x00A000, Q(current)), 64) << "the 8 x 8 mark, whole";
  EXPECT_EQ(CountIn(img, clFuchsia, Q(current)), 0) << "drawn transparent";
  // Centred vertically, two pixels right of the left edge.
  const QRect box = probe::Box(img, probe::IsBgr(0x00A000), Q(current));
  EXPECT_NEAR(box.center().y(), current.Top + current.Height() / 2, 2);
  EXPECT_NEAR(box.left(), current.Left + 2 + 2, 2);
  for (int r : {1, 3, 5}) EXPECT_EQ(CountIn(img, 0x00A000, Q(Grid->CellRect(0, r))), 0) << r;
}

TEST_F(GridBranchTest, ListViewHeaderHasAWhiteTopEdge) {
  Grid->SetLook(glListView);
  Grid->SetFlat(false);
  const QImage img = Paint();
  Keep(img, QStringLiteral("listview-header.png"));
  const TRect cell = Grid->CellRect(2, 0);
  EXPECT_GT(CountIn(img, 0xFFFFFF, QRect(cell.Left + 4, cell.Top, cell.Width() - 8, 2)), cell.Width() / 2);
}

// ---------------------------------------------------------------------------
// Tree lines

TEST_F(GridBranchTest, TreeLinesFollowTheNodeLevels) {
  Grid->SetFixedCols(0);
  Grid->SetColWidths(0, 80);
  for (int r = 0; r < 12; ++r) Grid->SetCells(0, r, QString());
  Grid->CellNode()->SetTreeColor(0x0000FF);
  Grid->AddNode(1, 5);  // rows 1..5 at level 1
  Grid->AddNode(2, 3);  // rows 2..4 at level 2
  ASSERT_TRUE(Grid->HasNodes());
  ASSERT_EQ(Grid->GetRowLevel(3), 2);
  ASSERT_EQ(Grid->GetNodeLevel(2), 2);
  ASSERT_EQ(Grid->GetNodeLevel(3), -1);
  const QImage img = Paint();
  Keep(img, QStringLiteral("tree-lines.png"));
  auto red = [&](int Row, int X0, int X1, int Y0, int Y1) {
    const TRect c = Grid->CellRect(0, Row);
    return CountIn(img, 0x0000FF, QRect(c.Left + X0, c.Top + Y0, X1 - X0, Y1 - Y0));
  };
  const int h = Grid->CellRect(0, 3).Height();
  const int mid = h / 2;
  // Row 3 (level 2, not the last of its level): the branch at mid from the
  // indent on, its own line down to mid only (row 4 is of its level... but
  // then row 5 drops back), the ancestor line 12 to the left all the way.
  EXPECT_GT(red(3, 30, 80, mid - 1, mid + 2), 40) << "branch to the right edge";
  EXPECT_GT(red(3, 19, 23, 1, mid - 1), mid - 4) << "own line above the branch";
  EXPECT_GT(red(3, 7, 11, 1, h - 2), h - 6) << "ancestor line through the cell";
  // Row 4 is the last row of level 2: its own line stops at the branch.
  EXPECT_EQ(red(4, 19, 23, mid + 2, h - 1), 0);
  EXPECT_GT(red(4, 19, 23, 1, mid - 1), mid - 4);
  // A row outside every node has no lines.
  EXPECT_EQ(red(8, 0, 80, 0, h), 0);
  // Ancestor lines left of the cell are skipped, nothing is drawn outside.
  EXPECT_EQ(CountIn(img, 0x0000FF, Q(Grid->CellRect(1, 3))), 0);
}

TEST_F(GridBranchTest, NodeHooksIndentSpanTypeAndParents) {
  EXPECT_FALSE(Grid->HasNodes());
  EXPECT_EQ(Grid->GetNodeIndent(3), 0);
  Grid->AddNode(1, 5);
  Grid->AddNode(2, 3);
  EXPECT_EQ(Grid->NumNodes(), 2);
  struct {
    int Row, Indent, SpanType, Parent;
  } const cases[] = {{1, 12, 0, 1}, {2, 24, 0, 1}, {3, 24, 2, 2}, {4, 24, 1, 2}, {5, 12, 1, 1}, {6, 0, 1, -1}};
  for (const auto& c : cases) {
    EXPECT_EQ(Grid->GetNodeIndent(c.Row), c.Indent) << c.Row;
    EXPECT_EQ(Grid->GetNodeSpanType(c.Row), c.SpanType) << c.Row;
    EXPECT_EQ(Grid->GetParentRow(c.Row), c.Parent) << c.Row;
  }
  EXPECT_EQ(Grid->GetNodeIndent(-1), 0);

  // Automatic insertion under a node: a child row of its level, the spans of
  // the node and its ancestor grow.
  Grid->InsertRowWithNodes(3);
  EXPECT_EQ(Grid->RowCount(), 13);
  EXPECT_EQ(Grid->GetRowLevel(3), 2);
  EXPECT_EQ(Grid->GetNodeSpan(2), 4);
  EXPECT_EQ(Grid->GetNodeSpan(1), 6);
  // Automatic deletion of a child row shrinks them again; of a row outside
  // every node, a plain removal.
  Grid->AutoDeleteRow(3);
  EXPECT_EQ(Grid->RowCount(), 12);
  EXPECT_EQ(Grid->GetNodeSpan(2), 3);
  EXPECT_EQ(Grid->GetNodeSpan(1), 5);
  Grid->SetCells(2, 9, QStringLiteral("gone"));
  Grid->AutoDeleteRow(9);
  EXPECT_EQ(Grid->RowCount(), 11);
  EXPECT_NE(Grid->Cells(2, 9), QStringLiteral("gone"));
  // Without nodes the automatic insertion is a plain one.
  Grid->RemoveAllNodes();
  EXPECT_FALSE(Grid->HasNodes());
  Grid->InsertRowWithNodes(2);
  EXPECT_EQ(Grid->RowCount(), 12);
  EXPECT_EQ(Grid->Cells(2, 2), QString());
}

TEST_F(GridBranchTest, RemovingAChildRowShrinksEveryAncestor) {
  Grid->AddNode(1, 6);  // level 1: rows 1..6
  Grid->AddNode(2, 4);  // level 2: rows 2..5
  Grid->AddNode(3, 2);  // level 3: rows 3..4
  ASSERT_EQ(Grid->GetParentRow(4), 3);
  ASSERT_EQ(Grid->GetParentRow(3), 2);
  ASSERT_EQ(Grid->GetParentRow(2), 1);
  // An inserted child row grows the spans of all three.
  Grid->InsertRowWithNodes(4);
  EXPECT_EQ(Grid->GetNodeSpan(3), 3);
  EXPECT_EQ(Grid->GetNodeSpan(2), 5);
  EXPECT_EQ(Grid->GetNodeSpan(1), 7);
  EXPECT_EQ(Grid->GetRowLevel(4), 3);
  Grid->AutoDeleteRow(4);
  Grid->AutoDeleteRow(4);
  EXPECT_EQ(Grid->GetNodeSpan(3), 1);
  EXPECT_EQ(Grid->GetNodeSpan(2), 3);
  EXPECT_EQ(Grid->GetNodeSpan(1), 5);
  EXPECT_EQ(Grid->RowCount(), 11);
}

TEST_F(GridBranchTest, ClearRemovesNodesAndKeepsTheRows) {
  Grid->AddNode(1, 4);
  Grid->AddNode(6, 2);
  Grid->Clear();
  EXPECT_FALSE(Grid->HasNodes());
  EXPECT_EQ(Grid->RowCount(), 12);
  for (int r = 0; r < 12; ++r) {
    EXPECT_FALSE(Grid->IsNode(r)) << r;
    EXPECT_EQ(Grid->GetRowLevel(r), 0) << r;
    EXPECT_EQ(Grid->Cells(2, r), QString()) << r;
  }
  // ClearNormalCells removes the nodes of a grid without fixed columns.
  Grid->SetFixedCols(0);
  Grid->AddNode(2, 2);
  Grid->ClearNormalCells();
  EXPECT_FALSE(Grid->HasNodes());
  // ClearAll too.
  Grid->AddNode(3, 2);
  Grid->ClearAll();
  EXPECT_FALSE(Grid->HasNodes());
  EXPECT_EQ(Grid->GetRowLevel(3), 0);
}

// ---------------------------------------------------------------------------
// Text step branches

TEST_F(GridBranchTest, SearchHighlightMarksMatchesInSearchedCells) {
  Grid->SetCells(2, 2, QStringLiteral("Joanna"));
  Grid->SetCells(2, 3, QStringLiteral("Anne"));
  Grid->SetCells(2, 4, QStringLiteral("Bob"));
  Grid->SetCells(3, 3, QStringLiteral("Hannah"));
  Grid->SearchFooter()->SetVisible(true);
  Grid->SearchPanel()->SetEditText(QStringLiteral("ann"));
  Grid->FocusCell(5, 10);
  const uint32_t hi = ColorToRGB(clHighlight);
  auto marked = [&](const QImage& Img, int C, int R) { return CountIn(Img, hi, Q(Grid->CellRect(C, R))); };

  // Nothing without the highlight button or AlwaysHighLight.
  QImage img = Paint();
  EXPECT_EQ(marked(img, 2, 2), 0);
  Grid->SearchPanel()->SetHighLightDown(true);
  img = Paint();
  Keep(img, QStringLiteral("search-highlight.png"));
  EXPECT_GT(marked(img, 2, 2), 20) << "Joanna";
  EXPECT_GT(marked(img, 2, 3), 20) << "Anne, without case";
  EXPECT_EQ(marked(img, 2, 4), 0) << "Bob";
  EXPECT_EQ(marked(img, 2, 0), 0) << "not in the fixed row";
  const int part = marked(img, 2, 3);

  // Match case: "Anne" no longer matches "ann".
  Grid->SearchPanel()->SetMatchCase(true);
  img = Paint();
  EXPECT_EQ(marked(img, 2, 3), 0);
  EXPECT_GT(marked(img, 2, 2), 20);
  Grid->SearchPanel()->SetMatchCase(false);

  // With hFullCell only a text equal to the search, as a whole.
  Grid->SetCells(2, 5, QStringLiteral("ANN"));
  Grid->SearchFooter()->SetHighLight(hFullCell);
  img = Paint();
  EXPECT_EQ(marked(img, 2, 3), 0);
  EXPECT_GT(marked(img, 2, 5), part / 2);
  Grid->SearchFooter()->SetHighLight(hMatchingText);

  // One searched column only.
  Grid->SearchFooter()->SetSearchColumn(3);
  Grid->SearchPanel()->SetHighLightDown(false);
  Grid->SearchFooter()->SetAlwaysHighLight(true);
  img = Paint();
  EXPECT_EQ(marked(img, 2, 2), 0);
  EXPECT_GT(marked(img, 3, 3), 20) << "Hannah";
}

TEST_F(GridBranchTest, FilterGlyphInTheFilterRowsHeaders) {
  Grid->SetFilterDropDownAuto(true);
  const QImage plain = Paint();
  Keep(plain, QStringLiteral("filter-glyph.png"));
  const TRect head = Grid->CellRect(2, 0);
  const QRect glyphZone(head.Right - 17, head.Top, 17, head.Height());
  EXPECT_GT(CountIn(plain, 0x404040, glyphZone), 20) << "built-in funnel";
  const TRect fixedHead = Grid->CellRect(0, 0);
  EXPECT_LT(CountIn(plain, 0x404040, QRect(fixedHead.Right - 17, fixedHead.Top, 17, fixedHead.Height())), 2)
      << "no glyph over a fixed column";
  const TRect data = Grid->CellRect(2, 3);
  EXPECT_LT(CountIn(plain, 0x404040, QRect(data.Right - 17, data.Top, 17, data.Height())), 2)
      << "only in the filter row";
  // The column's own glyphs: the plain one, and the active one once the
  // column has a filter.
  TBitmap glyph(10, 10), active(10, 10);
  glyph.SetPixelFormat(pf24bit);
  active.SetPixelFormat(pf24bit);
  glyph.Canvas()->Brush()->SetColor(0xC08000);
  glyph.Canvas()->FillRect(TRect(0, 0, 10, 10));
  glyph.Canvas()->SetPixels(0, 9, clFuchsia);
  active.Canvas()->Brush()->SetColor(0x0000C0);
  active.Canvas()->FillRect(TRect(0, 0, 10, 10));
  active.Canvas()->SetPixels(0, 9, clFuchsia);
  Grid->FilterDropDown()->SetGlyph(&glyph);
  Grid->FilterDropDown()->SetGlyphActive(&active);
  Grid->Filter()->Add(3, QStringLiteral("Item 1"), foNONE);
  const QImage own = Paint();
  Keep(own, QStringLiteral("filter-glyph-own.png"));
  EXPECT_GT(CountIn(own, 0xC08000, Q(Grid->CellRect(2, 0))), 80);
  EXPECT_EQ(CountIn(own, 0xC08000, Q(Grid->CellRect(3, 0))), 0);
  EXPECT_GT(CountIn(own, 0x0000C0, Q(Grid->CellRect(3, 0))), 80) << "active glyph of the filtered column";
  // Without the automatic drop-down no column offers a list.
  Grid->SetFilterDropDownAuto(false);
  EXPECT_FALSE(Grid->BuildFilterList(2, true, false));
  EXPECT_EQ(CountIn(Paint(), 0xC08000, Q(Grid->CellRect(2, 0))), 0);
}

TEST_F(GridBranchTest, FilterListHoldsDistinctValuesAfterTheClearEntry) {
  Grid->SetFilterDropDownAuto(true);
  Grid->SetCells(2, 1, QStringLiteral("10"));
  Grid->SetCells(2, 2, QStringLiteral("9"));
  Grid->SetCells(2, 3, QStringLiteral("10"));
  Grid->SetCells(2, 4, QString());
  Grid->SetCells(2, 5, QStringLiteral("New York"));
  for (int r = 6; r < 12; ++r) Grid->SetCells(2, r, QStringLiteral("9"));
  ASSERT_TRUE(Grid->BuildFilterList(2, false, false));
  const QStringList expected = {QStringLiteral("(All)"), QStringLiteral("\t\"\""), QStringLiteral("9"),
                                QStringLiteral("10"), QStringLiteral("New York\t\"New York\"")};
  QStringList got;
  for (int i = 0; i < Grid->FilterList()->Count(); ++i) got << Grid->FilterList()->Strings(i);
  EXPECT_EQ(got, expected);
  // A fixed column offers nothing, not even the clear entry, unless all
  // columns are asked for.
  EXPECT_FALSE(Grid->BuildFilterList(0, true, false));
  Grid->SetFilterDropDownClear(QString());
  EXPECT_FALSE(Grid->BuildFilterList(0, true, false));
  Grid->SetFilterDropDownColumns(fdAll);
  EXPECT_TRUE(Grid->BuildFilterList(0, true, false));
}

TEST_F(GridBranchTest, OutsideADisjunctSelectionCellsKeepTheGridsColours) {
  // A selected row (row selection on) colours its text in the selection's
  // text colour; under a disjunct column selection a column that is not
  // selected keeps the grid's colours.
  Grid->SetSelectionTextColor(0x0000FF);
  Grid->SetUseSelectionTextColor(true);
  Grid->SetOptions(Grid->Options() + TGridOptions{goRowSelect});
  Grid->FocusCell(1, 3);
  auto redText = [&](int C) { return CountIn(Paint(), 0x0000FF, Q(Grid->CellRect(C, 3)), 40); };
  ASSERT_GT(redText(3), 5) << "the selected row's text";
  Grid->MouseActions()->SetDisjunctColSelect(true);
  Grid->SetColSelect(2, true);
  EXPECT_EQ(redText(3), 0) << "its column is not selected";
  EXPECT_GT(redText(2), 5) << "its column is selected";
  // While the mouse button is down the colours stay.
  Grid->SetMouseButtonDown(true);
  EXPECT_GT(redText(3), 5);
}

TEST_F(GridBranchTest, BackgroundPictureFixedAndTiled) {
  TBitmap picture(150, 60);
  picture.SetPixelFormat(pf24bit);
  picture.Canvas()->Brush()->SetColor(0x30C030);
  picture.Canvas()->FillRect(TRect(0, 0, 75, 60));
  picture.Canvas()->Brush()->SetColor(0xC03030);
  picture.Canvas()->FillRect(TRect(75, 0, 150, 60));
  Grid->BackGround()->SetBitmap(&picture);
  Grid->BackGround()->SetTop(30);
  Grid->BackGround()->SetLeft(100);
  Grid->BackGround()->SetDisplay(bdFixed);
  Grid->BackGround()->SetCells(bcNormal);
  Grid->FocusCell(5, 11);
  QImage img = Paint();
  Keep(img, QStringLiteral("background-fixed.png"));
  // The picture covers (100, 30) .. (250, 90): cells (1, 1) and (2, 1) hold
  // parts of it, (4, 6) none; fixed cells are not covered.
  EXPECT_GT(CountIn(img, 0x30C030, Q(Grid->CellRect(1, 1))), 100);
  EXPECT_GT(CountIn(img, 0xC03030, Q(Grid->CellRect(2, 1))), 100);
  EXPECT_EQ(CountIn(img, 0x30C030, Q(Grid->CellRect(4, 6))) + CountIn(img, 0xC03030, Q(Grid->CellRect(4, 6))), 0);
  EXPECT_EQ(CountIn(img, 0x30C030, Q(Grid->CellRect(1, 0))), 0);
  // The picture's pixels land where it lies: x 174 is green, 176 red.
  EXPECT_EQ(probe::BgrAt(img, 174, 40), 0x30C030u);
  EXPECT_EQ(probe::BgrAt(img, 176, 40), 0xC03030u);
  // A cell with its own colour keeps it.
  Grid->SetColors(1, 1, 0xE0E0FF);
  EXPECT_EQ(CountIn(Paint(), 0x30C030, Q(Grid->CellRect(1, 1))), 0);

  Grid->BackGround()->SetDisplay(bdTile);
  img = Paint();
  Keep(img, QStringLiteral("background-tiled.png"));
  for (const auto& [c, r] : {std::pair{3, 2}, std::pair{4, 10}, std::pair{2, 7}}) {
    const TRect cell = Grid->CellRect(c, r);
    const QRect inner(cell.Left + 1, cell.Top + 1, cell.Width() - 2, cell.Height() - 2);
    const int covered = CountIn(img, 0x30C030, inner) + CountIn(img, 0xC03030, inner);
    // Everything but the text.
    EXPECT_GT(covered, inner.width() * inner.height() * 8 / 10) << c << "," << r << ": all but the text";
  }
}

TEST_F(GridBranchTest, FilterEditRowShowsTheTypeAndItsName) {
  TStringList names;
  for (const char* n : {"Starts with", "Ends with", "Contains", "Not contains", "Equal", "Not equal", "Larger than",
                        "Smaller than", "Clear"})
    names.Add(QString::fromLatin1(n));
  Grid->FilterEdit()->SetTypeNames(&names);
  Grid->FilterEdit()->SetEnabled(true);
  Grid->FilterEdit()->SetRow(0);
  Grid->SetCells(2, 0, QString());
  Grid->SetCells(3, 0, QStringLiteral("abc"));
  Grid->Filter()->Add(3, QStringLiteral("abc"), foNONE)->SetFilterType(ftEqual);
  const QImage img = Paint();
  Keep(img, QStringLiteral("filter-edit-row.png"));
  const TRect empty = Grid->CellRect(2, 0);
  const TRect typed = Grid->CellRect(3, 0);
  // The empty cell names the column's type (contains, without a filter) in
  // grey, right of the 18-pixel type image.
  const QRect text(empty.Left + 20, empty.Top, empty.Width() - 20, empty.Height());
  EXPECT_GT(CountIn(img, 0x808080, text, 40), 10);
  EXPECT_EQ(CountIn(img, 0x000000, text, 30), 0);
  // The typed condition in black.
  EXPECT_GT(CountIn(img, 0x000000, QRect(typed.Left + 20, typed.Top, typed.Width() - 20, typed.Height()), 30), 10);
  // The type image in the first 18 pixels of both.
  EXPECT_GT(CountIn(img, 0x000000, QRect(empty.Left, empty.Top, 19, empty.Height()), 60), 3);
  EXPECT_GT(CountIn(img, 0x000000, QRect(typed.Left, typed.Top, 19, typed.Height()), 60), 3);
}

// ---------------------------------------------------------------------------
// Metro glyphs

TEST_F(GridBranchTest, ColourTonesLoadTheMetroGlyphs) {
  TColorTones tones;
  tones.Background = {0xFFFFFF, 0xE0E0E0, 0x000000};
  tones.Foreground = {0xF0F0F0, 0xD0D0D0, 0x202020};
  tones.Selected = {0xD77800, 0xD77800, 0xFFFFFF};
  tones.Hover = {0xF7E0C9, 0xF7E0C9, 0x000000};
  Grid->SetColorTones(tones);
  TControlLook* look = Grid->ControlLook();
  EXPECT_EQ(look->ControlStyle(), TControlLook::csGlyph);
  struct {
    TBitmap* Glyph;
    const char* Name;
    uint32_t Centre, Edge;
  } const glyphs[] = {{look->CheckedGlyph(), "checked", 0xD77800, 0xD77800},
                      {look->UnCheckedGlyph(), "unchecked", 0xFFFFFF, 0x707070},
                      {look->RadioOnGlyph(), "radio on", 0xD77800, 0xD77800},
                      {look->RadioOffGlyph(), "radio off", 0xFFFFFF, 0x707070}};
  QImage sheet(4 * 24 + 24, 24, QImage::Format_RGB32);
  sheet.fill(Qt::white);
  QPainter p(&sheet);
  int x = 4;
  for (const auto& g : glyphs) {
    ASSERT_EQ(g.Glyph->Width(), 16) << g.Name;
    const QImage img = g.Glyph->ToImage();
    EXPECT_EQ(probe::BgrAt(img, 8, 8), g.Centre) << g.Name;
    EXPECT_EQ(probe::BgrAt(img, 1, 8), g.Edge) << g.Name;
    EXPECT_EQ(probe::BgrAt(img, 0, 0), uint32_t(clFuchsia)) << g.Name << ": transparent corner";
    p.drawImage(x, 4, img);
    x += 24;
  }
  TBitmap filter;
  ASSERT_TRUE(TKitStringGrid::LoadGridBitmap(QStringLiteral("KSGFILT"), &filter));
  p.drawImage(x, 4, filter.ToImage());
  p.end();
  Keep(sheet.scaled(sheet.size() * 4), QStringLiteral("metro-glyphs.png"));
  EXPECT_FALSE(TKitStringGrid::LoadGridBitmap(QStringLiteral("nosuchglyph"), &filter));
}

// ---------------------------------------------------------------------------
// All branches at once, in two styles

class BranchesInStyleTest : public GridBranchTest, public ::testing::WithParamInterface<TVDXStyle> {};

TEST_P(BranchesInStyleTest, EveryBranchShowsInTheStyle) {
  Grid->SetComponentStyle(GetParam());
  // Hovered header over column 3, the row indicator in row 5, a node tree
  // in column 1, the search for "em 4" highlighted, the filter glyphs.
  Grid->SetHoverFixedCells(hfAll);
  Grid->SetHoverFixedCell(TGridCoord{3, 0});
  TBitmap indicator(12, 12);
  indicator.SetPixelFormat(pf24bit);
  indicator.Canvas()->Brush()->SetColor(clFuchsia);
  indicator.Canvas()->FillRect(TRect(0, 0, 12, 12));
  indicator.Canvas()->Brush()->SetColor(0x00A000);
  indicator.Canvas()->Polygon({TPoint(2, 2), TPoint(9, 6), TPoint(2, 10)});
  Grid->RowIndicator()->Assign(&indicator);
  Grid->CellNode()->SetNodeColumn(1);
  Grid->CellNode()->SetTreeColor(0x0000FF);
  Grid->AddNode(2, 6);
  Grid->AddNode(3, 3);
  Grid->SearchFooter()->SetVisible(true);
  Grid->SearchFooter()->SetAlwaysHighLight(true);
  Grid->SearchPanel()->SetEditText(QStringLiteral("em 4"));
  Grid->SetFilterDropDownAuto(true);
  Grid->FocusCell(4, 5);
  const QImage img = Paint();
  const QString name = QStringLiteral("branches-%1.png").arg(GetParam() == tsWindows10 ? QStringLiteral("windows10")
                                                                                        : QStringLiteral("luna"));
  Keep(img, name);

  const TRect head = Grid->CellRect(3, 0);
  const uint32_t hover = uint32_t(Grid->VDXGradientColor(QStringLiteral("VDXGradientHoverFrom")));
  EXPECT_EQ(CountIn(img, hover, QRect(head.Left + 4, head.Top + 2, 6, 1), 4), 6) << "hovered header";
  EXPECT_GT(CountIn(img, 0x404040, QRect(head.Right - 17, head.Top, 17, head.Height())), 20) << "filter glyph";
  EXPECT_GT(CountIn(img, 0x00A000, Q(Grid->CellRect(0, 5))), 12) << "row indicator";
  EXPECT_EQ(CountIn(img, 0x00A000, Q(Grid->CellRect(0, 4))), 0);
  EXPECT_GT(CountIn(img, 0x0000FF, Q(Grid->CellRect(1, 4))), 20) << "tree lines";
  EXPECT_EQ(CountIn(img, 0x0000FF, Q(Grid->CellRect(1, 9))), 0);
  const uint32_t hi = ColorToRGB(clHighlight);
  EXPECT_GT(CountIn(img, hi, Q(Grid->CellRect(2, 4))), 20) << "search highlight";
  EXPECT_EQ(CountIn(img, hi, Q(Grid->CellRect(2, 5))), 0);
}

// A fixed cell of a style without a first gradient colour is painted
// afresh: text taken away does not stay.
TEST_P(BranchesInStyleTest, FixedCellsLeaveNoOldPixels) {
  Grid->SetComponentStyle(GetParam());
  Grid->SetCells(0, 1, QStringLiteral("XXXXXXXX"));
  const TRect cell = Grid->CellRect(0, 1);
  ASSERT_GT(CountIn(Paint(), 0x000000, Q(cell), 60), 50);
  Grid->SetCells(0, 1, QString());
  EXPECT_EQ(CountIn(Paint(), 0x000000, Q(cell), 60), 0);
}

INSTANTIATE_TEST_SUITE_P(Styles, BranchesInStyleTest, ::testing::Values(tsWindows10, tsOffice2007Luna));

// ---------------------------------------------------------------------------
// Notifications and the search panel

TEST_F(GridBranchTest, DatePickerChangeReachesTheEvent) {
  int col = -1, row = -1;
  TDateTime picked = -1;
  Grid->OnDateTimeChange = [&](TObject*, int C, int R, TDateTime D) {
    col = C;
    row = R;
    picked = D;
  };
  Grid->FocusCell(3, 5);
  TKitStringGrid::TGridDateTimeNotify n{};
  n.Hdr.code = UINT(TKitStringGrid::GN_DATETIMECHANGE);
  n.Year = 2024;
  n.Month = 2;
  n.Day = 29;
  n.Hour = 12;
  Grid->Perform(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&n));
  EXPECT_EQ(col, 3);
  EXPECT_EQ(row, 5);
  EXPECT_DOUBLE_EQ(picked, 45351.5);
  n.Day = 0;
  Grid->Perform(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&n));
  EXPECT_DOUBLE_EQ(picked, 0);
}

TEST_F(GridBranchTest, BalloonTextRequestIsAnsweredFromTheCell) {
  const TRect cell = Grid->CellRect(2, 4);
  Grid->SetCells(2, 4, QString(3000, u'x'));
  TKitStringGrid::TGridBalloonNotify n;
  n.Hdr.code = UINT(TKitStringGrid::GN_BALLOONTEXT);
  n.At = TPoint(cell.Left + 5, cell.Top + 5);
  // Off: no answer.
  Grid->Perform(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&n));
  EXPECT_FALSE(n.Answered);
  Grid->Balloon()->SetEnable(true);
  Grid->Balloon()->SetShowCell(true);
  Grid->Balloon()->SetTextColor(0x0000FF);
  Grid->Perform(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&n));
  ASSERT_TRUE(n.Answered);
  EXPECT_EQ(n.Text.size(), 2048);
  EXPECT_TRUE(n.Text.endsWith(QStringLiteral("...")));
  EXPECT_EQ(n.Title, QStringLiteral(" "));
  EXPECT_EQ(n.MaxWidth, 300);
  EXPECT_EQ(n.TextColor, 0x0000FF);
  EXPECT_EQ(Grid->LastBalloonCell().X, 2);
  EXPECT_EQ(Grid->LastBalloonCell().Y, 4);
  // Markup shows as plain text; the event may change title and text.
  Grid->SetCells(2, 4, QStringLiteral("<b>bold</b> text"));
  Grid->OnCellBalloon = [](TObject*, int, int, QString& Title, QString& Text, int&) {
    Title = QStringLiteral("Title");
    Text += QStringLiteral("!");
  };
  n.Answered = false;
  Grid->Perform(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&n));
  EXPECT_EQ(n.Text, QStringLiteral("bold text!"));
  EXPECT_EQ(n.Title, QStringLiteral("Title"));
  // Without ShowCell only the event's text is left.
  Grid->Balloon()->SetShowCell(false);
  Grid->Perform(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&n));
  EXPECT_EQ(n.Text, QStringLiteral("!"));
  // Show and pop are swallowed.
  NMHDR show{};
  show.code = UINT(TKitStringGrid::GN_BALLOONSHOW);
  EXPECT_EQ(Grid->Perform(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&show)), 0);
}

TEST_F(GridBranchTest, PickerSelectionsReachTheirEvents) {
  TPickerProbe picker;
  picker.SetSelectedColor(0x3366CC);
  picker.SetText(QStringLiteral("Ochre"));
  picker.SetItemIndex(4);
  Grid->FocusCell(3, 6);
  QStringList log;
  // Nothing without a handler.
  Grid->ColorSelect(&picker);
  Grid->OnColorSelect = [&](TObject*, int C, int R, TColor Colour, const QString& Text) {
    log << QStringLiteral("colour %1 %2 %3 %4").arg(C).arg(R).arg(Colour, 0, 16).arg(Text);
  };
  Grid->OnImageSelect = [&](TObject*, int C, int R, int Index) {
    log << QStringLiteral("image %1 %2 %3").arg(C).arg(R).arg(Index);
  };
  Grid->ColorSelect(&picker);
  Grid->ImageSelect(&picker);
  Grid->ImageSelect(nullptr);
  EXPECT_EQ(log, (QStringList{QStringLiteral("colour 3 6 3366cc Ochre"), QStringLiteral("image 3 6 4")}));
}

TEST_F(GridBranchTest, SearchPanelLiesAlongTheBottom) {
  Grid->SearchFooter()->SetVisible(true);
  Grid->UpdateSearchPanel();
  TSearchPanel* panel = Grid->SearchPanel();
  EXPECT_EQ(panel->Left(), 0);
  EXPECT_EQ(panel->Width(), Grid->ClientWidth());
  EXPECT_EQ(panel->Height(), 34);
  EXPECT_EQ(panel->Top(), Grid->Height() - 34);
  // Columns wider than the client: a horizontal scroll bar's height higher.
  Grid->SetDefaultColWidth(200);
  Grid->UpdateSearchPanel();
  EXPECT_LT(panel->Top(), Grid->Height() - 34);
}

}  // namespace
