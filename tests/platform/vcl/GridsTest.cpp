// The framework grid offscreen: defaults, geometry (CellRect, MouseToCell,
// visible counts, hidden lines), the client area inside border and scroll
// bars, scrolling with the 0..127 thumb, the paint loop's order and cell
// states, and a picture of a plain string grid.

#include <QCoreApplication>
#include <QDir>

#include "tests/support/TestSupport.h"
#include "platform/win32/ScrollBars.h"
#include "tests/platform/vcl/GridsTestSupport.h"

using namespace vcltest;

namespace {

QString OutputFolder() { return testsupport::TestOutputFolder(); }

}  // namespace

TEST(Grids, DefaultsAreTheFrameworkOnes) {
  TStringGrid grid(nullptr);
  EXPECT_EQ(grid.ColCount(), 5);
  EXPECT_EQ(grid.RowCount(), 5);
  EXPECT_EQ(grid.FixedCols(), 1);
  EXPECT_EQ(grid.FixedRows(), 1);
  EXPECT_EQ(grid.DefaultColWidth(), 64);
  EXPECT_EQ(grid.DefaultRowHeight(), 24);
  EXPECT_EQ(grid.ColWidths(4), 64);
  EXPECT_EQ(grid.RowHeights(4), 24);
  EXPECT_EQ(grid.GridLineWidth(), 1);
  EXPECT_EQ(grid.Options(), (TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect}));
  EXPECT_EQ(grid.ScrollBars(), ssBoth);
  EXPECT_EQ(grid.BorderStyle(), bsSingle);
  EXPECT_EQ(grid.FixedColor(), clBtnFace);
  EXPECT_EQ(grid.Color(), clWindow);
  EXPECT_TRUE(grid.DefaultDrawing());
  EXPECT_TRUE(grid.TabStop());
  EXPECT_EQ(grid.Width(), 320);
  EXPECT_EQ(grid.Height(), 120);
  EXPECT_EQ(grid.InplaceEditor(), nullptr);
  EXPECT_EQ(grid.Col(), 1);
  EXPECT_EQ(grid.Row(), 1);
  EXPECT_EQ(grid.LeftCol(), 1);
  EXPECT_EQ(grid.TopRow(), 1);
  EXPECT_EQ(grid.Selection(), (TGridRect{1, 1, 1, 1}));
  EXPECT_EQ(grid.GridState(), gsNormal);
  EXPECT_FALSE(grid.EditorMode());
}

// --- geometry ---------------------------------------------------------------

// Columns of 50 and rows of 20 with a line of 1: column c starts at 51 c,
// row r at 21 r; 300 x 200 shows columns 0..5 (5 partly) and rows 0..9 (9
// partly).
TEST_F(GridFormTest, CellRectIsTheCellWithoutItsLineAndEmptyOutOfView) {
  struct TCase {
    const char* Name;
    int LeftCol, TopRow;
    int Col, Row;
    TRect Rect;
  };
  const TCase cases[] = {
      {"fixed corner", 1, 1, 0, 0, TRect(0, 0, 50, 20)},
      {"first scrolled cell", 1, 1, 1, 1, TRect(51, 21, 101, 41)},
      {"partly shown, not clipped", 1, 1, 5, 9, TRect(255, 189, 305, 209)},
      {"right of the view", 1, 1, 6, 1, TRect()},
      {"below the view", 1, 1, 1, 10, TRect()},
      {"negative", 1, 1, -1, 1, TRect()},
      {"scrolled away", 3, 2, 1, 1, TRect()},
      {"after scrolling", 3, 2, 3, 2, TRect(51, 21, 101, 41)},
      {"fixed row over a scrolled column", 3, 2, 4, 0, TRect(102, 0, 152, 20)},
      {"fixed column over a scrolled row", 3, 2, 0, 9, TRect(0, 168, 50, 188)},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Grid->SetLeftCol(c.LeftCol);
    Grid->SetTopRow(c.TopRow);
    EXPECT_EQ(RectText(Grid->CellRect(c.Col, c.Row)), RectText(c.Rect));
  }
  Grid->SetLeftCol(1);
  Grid->SetTopRow(1);
  EXPECT_EQ(Grid->VisibleColCount(), 4);
  EXPECT_EQ(Grid->VisibleRowCount(), 8);
  EXPECT_EQ(Grid->GridWidth(), 300);
  // The raw rectangle is the same thing under its own name.
  EXPECT_EQ(Grid->RawCellRect(2, 3), Grid->CellRect(2, 3));
}

TEST_F(GridFormTest, MouseToCellFindsTheCellUnderAPoint) {
  struct TCase {
    int X, Y;
    int Col, Row;
  };
  const TCase cases[] = {
      {0, 0, 0, 0},   {49, 19, 0, 0},     {50, 20, 0, 0},  // the line after a cell is the cell's
      {51, 21, 1, 1}, {299, 199, 5, 9},   {-1, 5, -1, -1}, {5, -1, -1, -1},
      {306, 5, 6, 0},  // a column beyond the view's edge is still found
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(QStringLiteral("%1,%2").arg(c.X).arg(c.Y).toStdString());
    int col = -9, row = -9;
    Grid->MouseToCell(c.X, c.Y, col, row);
    EXPECT_EQ(col, c.Col);
    EXPECT_EQ(row, c.Row);
    EXPECT_EQ(Grid->MouseCoord(c.X, c.Y), (TGridCoord{c.Col, c.Row}));
  }
  // Beyond the last cell: nothing.
  Grid->SetColCount(3);
  EXPECT_EQ(Grid->MouseCoord(200, 5), (TGridCoord{-1, -1}));
}

TEST_F(GridFormTest, HiddenAndZeroSizedLinesTakeTheirSpaceAccordingly) {
  Grid->SetColWidths(2, -1);  // hidden: no space, no line
  EXPECT_TRUE(Grid->CellRect(2, 1).IsEmpty());
  EXPECT_EQ(RectText(Grid->CellRect(3, 1)), RectText(TRect(102, 21, 152, 41)));
  Grid->SetColWidths(2, 0);  // zero: only its line
  EXPECT_EQ(RectText(Grid->CellRect(3, 1)), RectText(TRect(103, 21, 153, 41)));
  EXPECT_EQ(Grid->MouseCoord(102, 25), (TGridCoord{2, 1}));
  // Without the line options the line width counts for nothing.
  Grid->SetOptions(TGridOptions{goRangeSelect});
  EXPECT_EQ(RectText(Grid->CellRect(1, 1)), RectText(TRect(50, 20, 100, 40)));
  Grid->SetOptions(TGridOptions{goVertLine, goHorzLine});
  Grid->SetGridLineWidth(3);
  EXPECT_EQ(RectText(Grid->CellRect(1, 1)), RectText(TRect(53, 23, 103, 43)));
}

TEST_F(GridFormTest, BorderAndScrollBarsSurroundTheClientArea) {
  Grid->SetBorderStyle(bsSingle);
  Grid->SetScrollBars(ssBoth);
  Pump();
  const int bar = GetSystemMetrics(SM_CXVSCROLL);
  // A sunken edge of 2 and both bars (ten columns and rows do not fit).
  EXPECT_EQ(Grid->ClientArea(), TRect(2, 2, 298 - bar, 198 - bar));
  EXPECT_EQ(Grid->ClientWidth(), 296 - bar);
  EXPECT_EQ(Grid->ClientHeight(), 196 - bar);
  RECT client{};
  GetClientRect(Grid->Handle(), &client);
  EXPECT_EQ(client.right, 296 - bar);
  // Cell rectangles and the mouse stay in client coordinates.
  EXPECT_EQ(RectText(Grid->CellRect(1, 1)), RectText(TRect(51, 21, 101, 41)));
  Click(Grid, 60, 30);
  EXPECT_EQ(Grid->Col(), 1);
  EXPECT_EQ(Grid->Row(), 1);
  Click(Grid, 112, 52);
  EXPECT_EQ(Grid->Col(), 2);
  EXPECT_EQ(Grid->Row(), 2);
  // A grid whose cells all fit shows no bar.
  Grid->SetColCount(3);
  Grid->SetRowCount(3);
  Pump();
  EXPECT_EQ(Grid->ClientArea(), TRect(2, 2, 298, 198));
  // Without Ctl3D the border is a line of 1.
  Grid->SetCtl3D(false);
  Pump();
  EXPECT_EQ(Grid->ClientArea(), TRect(1, 1, 299, 199));
}

// --- scrolling and the thumb ------------------------------------------------------

TEST_F(GridFormTest, TheThumbMapsTheScrolledRangeOnto0To127) {
  Grid->SetScrollBars(ssBoth);
  Pump();
  // The client is 283 x 183: the last left column that still fills the view
  // is 6, the last top row 3.
  ASSERT_EQ(Grid->ClientWidth(), 300 - GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(Grid->MaxTopLeft(), (TGridCoord{6, 3}));
  const HWND h = Grid->Handle();
  int lo = -1, hi = -1;
  ASSERT_TRUE(GetScrollRange(h, SB_HORZ, &lo, &hi));
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, 127);
  // Left column -> thumb: MulDiv(LeftCol - 1, 127, 5).
  struct TToThumb {
    int LeftCol;
    int Pos;
  };
  for (const TToThumb& t : {TToThumb{1, 0}, TToThumb{2, 25}, TToThumb{3, 51}, TToThumb{5, 102}, TToThumb{6, 127}}) {
    SCOPED_TRACE(t.LeftCol);
    Grid->SetLeftCol(t.LeftCol);
    EXPECT_EQ(GetScrollPos(h, SB_HORZ), t.Pos);
  }
  // Thumb -> left column: MulDiv(pos, 5, 127) + 1.
  struct TFromThumb {
    WORD Code;
    int Pos;
    int Start;
    int LeftCol;
  };
  const TFromThumb moves[] = {
      {SB_THUMBPOSITION, 0, 4, 1},  {SB_THUMBPOSITION, 64, 1, 4}, {SB_THUMBPOSITION, 127, 1, 6},
      {SB_THUMBTRACK, 127, 1, 1},  // tracking moves nothing without goThumbTracking
      {SB_LINEDOWN, 0, 2, 3},       {SB_LINEUP, 0, 2, 1},          {SB_LINEUP, 0, 1, 1},
      {SB_PAGEDOWN, 0, 1, 5},       {SB_PAGEDOWN, 0, 5, 6},        // at most the last left column
      {SB_PAGEUP, 0, 6, 2},         {SB_TOP, 0, 5, 1},             {SB_BOTTOM, 0, 1, 6},
      {SB_ENDSCROLL, 0, 3, 3},
  };
  for (const TFromThumb& m : moves) {
    SCOPED_TRACE(QStringLiteral("code %1 pos %2 from %3").arg(m.Code).arg(m.Pos).arg(m.Start).toStdString());
    Grid->SetLeftCol(m.Start);
    Grid->Perform(WM_HSCROLL, MAKEWPARAM(m.Code, WORD(m.Pos)), 0);
    EXPECT_EQ(Grid->LeftCol(), m.LeftCol);
  }
  Grid->SetOptions(Grid->Options() + TGridOptions{goThumbTracking});
  Grid->SetLeftCol(1);
  Grid->Perform(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 127), 0);
  EXPECT_EQ(Grid->LeftCol(), 6);
  // Rows the same way.
  Grid->Perform(WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0), 0);
  EXPECT_EQ(Grid->TopRow(), 3);
  EXPECT_EQ(GetScrollPos(h, SB_VERT), 127);
  EXPECT_EQ(Grid->Hooks.count(QStringLiteral("TopLeftChanged")) > 0, true);
}

TEST_F(GridFormTest, DraggingTheScrollBarThumbScrollsTheGrid) {
  Grid->SetScrollBars(ssBoth);
  Pump();
  TWindowScrollBars* bars = Grid->WindowScrollBars();
  ASSERT_NE(bars, nullptr);
  const TWindowScrollBars::TLayout l = bars->Layout(SB_HORZ);
  // The bar sits below the client area: client Y of its middle.
  const int y = (l.Thumb.top + l.Thumb.bottom) / 2 - Grid->ClientArea().Top;
  const int x0 = (l.Thumb.left + l.Thumb.right) / 2 - Grid->ClientArea().Left;
  Drag(Grid, TPoint(x0, y), TPoint(x0 + 5000, y), 4);
  EXPECT_EQ(Grid->LeftCol(), 6);
  EXPECT_EQ(GetScrollPos(Grid->Handle(), SB_HORZ), 127);
  // A click on an arrow scrolls one column.
  const TWindowScrollBars::TLayout after = bars->Layout(SB_HORZ);
  Click(Grid, after.ArrowLow.left + 4 - Grid->ClientArea().Left, y);
  EXPECT_EQ(Grid->LeftCol(), 5);
}

TEST_F(GridFormTest, GrowingTheWindowBringsHiddenColumnsBack) {
  Grid->SetScrollBars(ssBoth);
  Pump();
  Grid->SetLeftCol(6);
  Grid->SetBounds(10, 10, 560, 300);  // now all columns fit
  Pump();
  EXPECT_EQ(Grid->LeftCol(), 1);
  EXPECT_FALSE(Grid->WindowScrollBars()->IsVisible(SB_HORZ));
}

// --- the paint loop -----------------------------------------------------------------

TEST_F(GridFormTest, PaintGoesThroughTheFourAreasInOrder) {
  Grid->SetColCount(5);
  Grid->SetRowCount(5);
  Grid->SetFixedCols(2);
  Grid->SetFixedRows(1);
  Grid->SetColWidths(2, -1);  // hidden: never drawn
  Grid->SetLeftCol(3);
  Grid->SetTopRow(2);
  const std::vector<TDrawnCell>& drawn = PaintNow();
  QStringList order;
  for (const TDrawnCell& d : drawn) order << QStringLiteral("%1,%2").arg(d.Col).arg(d.Row);
  EXPECT_EQ(order, (QStringList{// fixed x fixed
                                "0,0", "1,0",
                                // fixed rows x scrolled columns
                                "3,0", "4,0",
                                // scrolled rows x fixed columns
                                "0,2", "1,2", "0,3", "1,3", "0,4", "1,4",
                                // scrolled x scrolled
                                "3,2", "4,2", "3,3", "4,3", "3,4", "4,4"}));
  // Each cell gets its CellRect.
  for (const TDrawnCell& d : drawn) EXPECT_EQ(d.Rect, Grid->CellRect(d.Col, d.Row)) << d.Col << "," << d.Row;
}

TEST_F(GridFormTest, CellStatesFollowFixedSelectionFocusAndOptions) {
  Grid->SetColCount(4);
  Grid->SetRowCount(4);
  Grid->SetSelection(TGridRect{1, 1, 2, 2});  // current cell (2,2), anchor (1,1)
  auto* other = new TEdit(Form.get());
  other->SetBounds(10, 300, 100, 24);
  other->SetParent(Form.get());
  struct TCase {
    const char* Name;
    TGridOptions Extra;
    bool Focused;
    // States of (0,0), (1,1), (2,2) current, (3,3), (2,1)
    QStringList States;
  };
  const TCase cases[] = {
      {"focused", {}, true, {"F", "S", "C", "-", "S"}},
      {"focus drawn selected", {goDrawFocusSelected}, true, {"F", "S", "SC", "-", "S"}},
      {"not focused", {}, false, {"F", "S", "S", "-", "S"}},
      {"row select", {goRowSelect}, true, {"F", "SR", "SR", "-", "SR"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Grid->SetOptions(TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect} + c.Extra);
    Grid->SetSelection(TGridRect{1, 1, 2, 2});
    if (c.Extra.Contains(goRowSelect)) {
      // Rows 1..2 as the keys select them: current row 2, anchor row 1.
      Grid->MoveCurrent(1, 1, true, false);
      Grid->MoveCurrent(1, 2, false, false);
    }
    if (c.Focused)
      Grid->SetFocus();
    else
      other->SetFocus();
    Pump();
    ASSERT_EQ(Grid->IsActiveControl(), c.Focused);
    const std::vector<TDrawnCell>& drawn = PaintNow();
    auto state = [&](int col, int row) {
      for (const TDrawnCell& d : drawn)
        if (d.Col == col && d.Row == row) return StateText(d.State);
      return QStringLiteral("not drawn");
    };
    if (c.Extra.Contains(goRowSelect)) {
      // Under row selection the current column is the first scrolled one:
      // focus sits there and the whole rows are selected.
      EXPECT_EQ(Grid->Col(), 1);
      EXPECT_EQ(Grid->Selection(), (TGridRect{1, 1, 3, 2}));
      EXPECT_EQ(state(1, 2), QStringLiteral("SCR"));
      EXPECT_EQ(state(3, 2), QStringLiteral("SR"));
      EXPECT_EQ(state(2, 1), QStringLiteral("SR"));
      EXPECT_EQ(state(3, 3), QStringLiteral("-"));
      EXPECT_EQ(state(0, 2), QStringLiteral("F"));
      continue;
    }
    EXPECT_EQ((QStringList{state(0, 0), state(1, 1), state(2, 2), state(3, 3), state(2, 1)}), c.States);
  }
}

TEST_F(GridFormTest, NothingBeyondTheCellsAndGridColourFillsTheRest) {
  Grid->SetColCount(3);
  Grid->SetRowCount(3);
  Grid->SetColor(clWhite);
  Grid->SetFixedColor(clYellow);
  const QImage image = Grab(Grid);
  // Past the last column (153) and the last row (63): the grid's colour.
  EXPECT_EQ(image.pixelColor(250, 100), QColor(Qt::white));
  EXPECT_EQ(image.pixelColor(250, 10), QColor(Qt::white));
  // A fixed cell in FixedColor, a plain one in Color, lines between.
  EXPECT_EQ(image.pixelColor(25, 10), QColor(Qt::yellow));
  EXPECT_EQ(image.pixelColor(120, 50), QColor(Qt::white));
  EXPECT_EQ(image.pixelColor(50, 50), QColor(Qt::black));               // fixed column's line
  EXPECT_EQ(image.pixelColor(101, 50), QColor(0xC0, 0xC0, 0xC0));       // a cell line
}

// --- a picture ----------------------------------------------------------------------

TEST_F(GridFormTest, APlainStringGridReadsAsAGrid) {
  Grid->SetBorderStyle(bsSingle);
  Grid->SetScrollBars(ssBoth);
  Grid->SetColCount(6);
  Grid->SetRowCount(12);
  Grid->SetDefaultColWidth(64);
  Grid->SetDefaultRowHeight(22);
  const QStringList heads{"", "Name", "City", "Phone", "Kind", "Score"};
  for (int c = 1; c < 6; ++c) Grid->SetCells(c, 0, heads[c]);
  const QStringList names{"Alpha", "Bravo", "Charlie", "Delta", "Echo", "Foxtrot", "Golf", "Hotel", "India",
                          "Juliet", "Kilo"};
  for (int r = 1; r < 12; ++r) {
    Grid->SetCells(0, r, QString::number(r));
    Grid->SetCells(1, r, names[r - 1]);
    Grid->SetCells(2, r, r % 2 ? QStringLiteral("Lyon") : QStringLiteral("Paris"));
    Grid->SetCells(3, r, QStringLiteral("01 23 45 %1").arg(r, 2, 10, QChar(u'0')));
    Grid->SetCells(4, r, QStringLiteral("shop"));
    Grid->SetCells(5, r, QString::number(r * 7));
  }
  Grid->SetSelection(TGridRect{1, 2, 2, 3});
  Pump();
  const QImage image = Grab(Grid);
  ASSERT_TRUE(image.save(OutputFolder() + QStringLiteral("/grid-plain.png")));
  const TRect client = Grid->ClientArea();
  // Text makes dark pixels inside a header cell and a plain cell, none in an
  // empty fixed corner.
  auto darkPixels = [&](const TRect& cell) {
    int n = 0;
    for (int y = cell.Top + 2; y < cell.Bottom - 2; ++y)
      for (int x = cell.Left + 2; x < cell.Right - 2; ++x)
        if (image.pixelColor(x + client.Left, y + client.Top).lightness() < 100) ++n;
    return n;
  };
  EXPECT_GT(darkPixels(Grid->CellRect(1, 0)), 10);
  EXPECT_GT(darkPixels(Grid->CellRect(1, 5)), 10);
  EXPECT_EQ(darkPixels(Grid->CellRect(0, 0)), 0);
  // The selection is highlighted (not the focused current cell).
  const TRect sel = Grid->CellRect(1, 2);
  EXPECT_NE(image.pixelColor(sel.Right - 3 + client.Left, sel.Top + 3 + client.Top),
            image.pixelColor(Grid->CellRect(3, 5).Right - 3 + client.Left, Grid->CellRect(3, 5).Top + 3 + client.Top));
}

// --- non-client painting ---------------------------------------------------------------

namespace {
// A grid that paints a frame of its own over the framework's border.
class TFramedGrid : public TStringGrid {
 public:
  TF_DECLARE_MESSAGES(TFramedGrid)
  explicit TFramedGrid(TComponent* AOwner) : TStringGrid(AOwner) {}
  int NcPaints = 0;

 protected:
  void WMNCPaint(TMessage& Message) {
    TCustomGrid::WMNCPaint(Message);
    ++NcPaints;
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    RECT r{0, 0, Width(), Height()};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FrameRect(dc, &r, red);
    DeleteObject(red);
  }
};

TF_MESSAGE_MAP(TFramedGrid, TCustomGrid) {
  return {
      TF_MESSAGE(WM_NCPAINT, WMNCPaint),
  };
}
}  // namespace

TEST_F(GridFormTest, ADescendantPaintsOverTheNonClientAreaAfterTheFramework) {
  auto* grid = new TFramedGrid(Form.get());
  grid->SetBounds(320, 10, 150, 100);
  grid->SetParent(Form.get());
  Pump();
  const QImage image = Grab(grid);
  EXPECT_GT(grid->NcPaints, 0);
  EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::red));
  EXPECT_EQ(image.pixelColor(149, 50), QColor(Qt::red));
  // Inside the frame: the framework's sunken edge, then the client area
  // (the fixed corner cell).
  EXPECT_NE(image.pixelColor(1, 1), QColor(Qt::red));
  EXPECT_EQ(grid->ClientArea().TopLeft(), TPoint(2, 2));
  EXPECT_EQ(image.pixelColor(10, 10), QColor::fromRgb(ColorToRGB(clBtnFace) & 0xFF,
                                                       (ColorToRGB(clBtnFace) >> 8) & 0xFF,
                                                       (ColorToRGB(clBtnFace) >> 16) & 0xFF));
}
