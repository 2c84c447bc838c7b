// The string grid's cells, objects and Rows/Cols views through the grid;
// line moves and deletes; the updating flag; and bad input to every setter
// (a clear error or the documented clamp, nothing changed by a refusal).

#include <QCoreApplication>

#include "platform/rtl/StringList.h"
#include "tests/platform/vcl/GridsTestSupport.h"

using namespace vcltest;
using testsupport::MessageOf;

namespace {

QString RowText(TStringGrid* Grid, int Row, int Cols = 5) {
  QStringList cells;
  for (int c = 0; c < Cols; ++c) cells << (Grid->Cells(c, Row).isEmpty() ? QStringLiteral("-") : Grid->Cells(c, Row));
  return cells.join(u' ');
}

void Fill(TStringGrid* Grid, int Cols, int Rows) {
  for (int r = 0; r < Rows; ++r)
    for (int c = 0; c < Cols; ++c) Grid->SetCells(c, r, QStringLiteral("%1%2").arg(QChar(u'a' + c)).arg(r));
}

}  // namespace

TEST(GridsStore, CellsBeyondTheCountsStayThroughShrinkingAndGrowing) {
  TStringGrid grid(nullptr);
  TObject marker;
  grid.SetCells(20, 30, QStringLiteral("far"));  // far beyond 5 x 5
  grid.SetObjects(20, 30, &marker);
  EXPECT_EQ(grid.Cells(20, 30), QStringLiteral("far"));
  grid.SetCells(1, 4, QStringLiteral("last row"));
  grid.SetRowCount(3);
  EXPECT_EQ(grid.Cells(1, 4), QStringLiteral("last row"));  // still addressable
  grid.SetRowCount(5);
  EXPECT_EQ(grid.Cells(1, 4), QStringLiteral("last row"));
  // Objects are reachable whatever the counts, for whoever owns them.
  std::vector<TObject*> objects;
  TProbeGrid probe(nullptr);
  probe.SetObjects(40, 2000, &marker);
  probe.SetRowCount(2);
  probe.EnumStoredObjects([&](int, int, TObject* o) { objects.push_back(o); });
  EXPECT_EQ(objects, (std::vector<TObject*>{&marker}));
  // The raw members are the same store.
  grid.SetRawCells(0, 0, QStringLiteral("raw"));
  EXPECT_EQ(grid.Cells(0, 0), QStringLiteral("raw"));
  EXPECT_EQ(grid.RawObjects(20, 30), &marker);
}

TEST(GridsStore, MovesCarryCellsWidthsAndTheCurrentCell) {
  TProbeGrid grid(nullptr);
  Fill(&grid, 5, 5);
  grid.SetColWidths(1, 11);
  grid.MoveCurrent(1, 2, true, false);
  QStringList moved;
  grid.OnColumnMoved = [&](TObject*, int f, int t) { moved << QStringLiteral("col %1>%2").arg(f).arg(t); };
  grid.OnRowMoved = [&](TObject*, int f, int t) { moved << QStringLiteral("row %1>%2").arg(f).arg(t); };
  grid.MoveColumn(1, 3);
  EXPECT_EQ(RowText(&grid, 0), "a0 c0 d0 b0 e0");
  EXPECT_EQ(grid.ColWidths(3), 11);
  EXPECT_EQ(grid.Col(), 3);  // the current cell went with its column
  grid.MoveRow(4, 1);
  EXPECT_EQ(RowText(&grid, 1), "a4 c4 d4 b4 e4");
  EXPECT_EQ(grid.Row(), 3);
  EXPECT_EQ(moved, (QStringList{"col 1>3", "row 4>1"}));
  // Delete: the line moves to the end and the count drops; its cells stay
  // beyond the count.
  grid.DeleteRow(1);
  EXPECT_EQ(grid.RowCount(), 4);
  EXPECT_EQ(RowText(&grid, 1), "a1 c1 d1 b1 e1");
  EXPECT_EQ(RowText(&grid, 4), "a4 c4 d4 b4 e4");
  grid.DeleteColumn(0);
  EXPECT_EQ(grid.ColCount(), 4);
  EXPECT_EQ(RowText(&grid, 0), "c0 d0 b0 e0 a0");
}

TEST(GridsStore, RowsAndColsViewsCarryTextsAndObjectsTogether) {
  TStringGrid grid(nullptr);
  TObject one, two;
  TStringList list;
  list.AddObject(QStringLiteral("x"), &one);
  list.AddObject(QStringLiteral("y"), &two);
  list.Add(QStringLiteral("z"));
  grid.Rows(2)->Assign(&list);
  EXPECT_EQ(grid.Cells(0, 2), QStringLiteral("x"));
  EXPECT_EQ(grid.Objects(1, 2), &two);
  EXPECT_EQ(grid.Cells(2, 2), QStringLiteral("z"));
  TStrings* col = grid.Cols(1);
  EXPECT_EQ(col->Count(), 5);
  EXPECT_EQ(col->Strings(2), QStringLiteral("y"));
  EXPECT_EQ(col->Objects(2), &two);
  // A list longer than the line: the line's count is copied.
  for (int i = 0; i < 10; ++i) list.Add(QString::number(i));
  grid.SetRows(3, &list);
  EXPECT_EQ(grid.Cells(4, 3), QStringLiteral("1"));
  EXPECT_EQ(grid.Cells(5, 3), QString());
  // CommaText reads the line; Add fills the first empty cell.
  EXPECT_EQ(grid.Rows(2)->CommaText(), QStringLiteral("x,y,z,,"));
  EXPECT_EQ(grid.Rows(2)->Add(QStringLiteral("w")), 3);
  EXPECT_EQ(grid.Rows(2)->Add(QString()), 4);
  EXPECT_EQ(grid.Cells(4, 2), QStringLiteral(" "));
  EXPECT_EQ(grid.Rows(2)->Add(QStringLiteral("full")), -1);
  grid.Rows(2)->Clear();
  EXPECT_EQ(grid.Cells(0, 2), QString());
  EXPECT_EQ(grid.Objects(0, 2), nullptr);
  // A view of a row beyond the count reads and writes the store.
  grid.Rows(100)->SetStrings(1, QStringLiteral("beyond"));
  EXPECT_EQ(grid.Cells(1, 100), QStringLiteral("beyond"));
  // The view is the grid's, one per line.
  EXPECT_EQ(grid.Rows(2), grid.Rows(2));
}

TEST_F(GridFormTest, WritesRepaintTheirCellUnlessUpdating) {
  TInvalidationLog log;
  Grid->SetCells(2, 2, QStringLiteral("x"));
  EXPECT_EQ(log.CountFor(Grid->Handle()), 1);
  ASSERT_EQ(log.Entries().size(), 1u);
  EXPECT_EQ(log.Entries()[0].Rect, TRect(102, 42, 153, 63));  // the cell with its lines
  log.Clear();
  Grid->SetUpdating(true);
  for (int i = 0; i < 50; ++i) Grid->SetCells(i % 5, i / 5, QStringLiteral("bulk"));
  Grid->InvalidateCell(1, 1);
  EXPECT_EQ(log.CountFor(Grid->Handle()), 0);
  Grid->SetUpdating(false);
  // A cell out of view invalidates nothing either.
  Grid->SetCells(9, 1, QStringLiteral("hidden"));
  EXPECT_EQ(log.CountFor(Grid->Handle()), 0);
  // Views bracket their bulk writes.
  TStringList list;
  list.SetCommaText(QStringLiteral("a,b,c,d,e"));
  Grid->Rows(1)->Assign(&list);
  EXPECT_EQ(log.CountFor(Grid->Handle()), 1);  // one repaint at the end
  EXPECT_FALSE(Grid->Updating());
}

// --- bad input --------------------------------------------------------------------

TEST(GridsBadInput, EverySetterRefusesClearlyOrClampsAsDocumented) {
  TProbeGrid grid(nullptr);
  grid.SetCells(1, 1, QStringLiteral("keep"));
  const char* range = "EInvalidGridOperation: Grid index out of range";
  struct TCase {
    const char* Name;
    std::function<void()> Call;
    QString Message;  // empty: no error
  };
  const TCase cases[] = {
      {"FixedCols -1", [&] { grid.SetFixedCols(-1); }, range},
      {"FixedCols = ColCount", [&] { grid.SetFixedCols(5); },
       "EInvalidGridOperation: Fixed column count must be less than column count"},
      {"FixedRows = RowCount", [&] { grid.SetFixedRows(5); },
       "EInvalidGridOperation: Fixed row count must be less than row count"},
      {"FixedRows -3", [&] { grid.SetFixedRows(-3); }, range},
      {"ColCount too large", [&] { grid.SetColCount(70000); }, "EInvalidGridOperation: Grid too large for operation"},
      {"RowCount too large", [&] { grid.SetRowCount(1 << 25); }, "EInvalidGridOperation: Grid too large for operation"},
      {"ColWidths(-1)", [&] { grid.ColWidths(-1); }, range},
      {"ColWidths(ColCount)", [&] { grid.SetColWidths(5, 10); }, range},
      {"RowHeights(99)", [&] { grid.SetRowHeights(99, 10); }, range},
      {"TabStops(-1)", [&] { grid.SetTabStops(-1, false); }, range},
      {"Col -1", [&] { grid.SetCol(-1); }, range},
      {"Col = ColCount", [&] { grid.SetCol(5); }, range},
      {"Row 100", [&] { grid.SetRow(100); }, range},
      {"MoveCurrent into nowhere", [&] { grid.MoveCurrent(2, -2, true, true); }, range},
      {"Selection past the parking cell", [&] { grid.SetSelection(TGridRect{1, 1, 6, 2}); }, range},
      {"Selection negative", [&] { grid.SetSelection(TGridRect{-1, 1, 2, 2}); }, range},
      {"MoveColumn to 5", [&] { grid.MoveColumn(1, 5); }, range},
      {"MoveRow from -1", [&] { grid.MoveRow(-1, 2); }, range},
      {"DeleteRow(7)", [&] { grid.DeleteRow(7); }, range},
      {"ScrollBars out of the enumeration", [&] { grid.SetScrollBars(TScrollStyle(9)); }, range},
      {"BorderStyle of a form", [&] { grid.SetBorderStyle(bsDialog); }, range},
      {"Cells(-1, 0)", [&] { grid.Cells(-1, 0); }, "EStringListError: List index out of bounds (-1)"},
      {"Cells(0, -5) write", [&] { grid.SetCells(0, -5, QStringLiteral("x")); },
       "EStringListError: List index out of bounds (-5)"},
      {"Objects beyond the store", [&] { grid.SetObjects(65536, 0, nullptr); },
       "EStringListError: List index out of bounds (65536)"},
      {"Rows(-1)", [&] { grid.Rows(-1); }, "EStringListError: List index out of bounds (-1)"},
      {"Rows(1)[5]", [&] { grid.Rows(1)->Strings(5); }, "EStringListError: List index out of bounds (5)"},
      {"Cols(1)[-1] write", [&] { grid.Cols(1)->SetStrings(-1, QStringLiteral("x")); },
       "EStringListError: List index out of bounds (-1)"},
      {"Rows(1).Insert", [&] { grid.Rows(1)->Insert(0, QStringLiteral("x")); },
       "EInvalidGridOperation: Cannot insert or delete rows from grid"},
      {"Cols(1).Delete", [&] { grid.Cols(1)->Delete(0); },
       "EInvalidGridOperation: Cannot insert or delete rows from grid"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(MessageOf(c.Call), c.Message);
    // Nothing changed.
    EXPECT_EQ(grid.ColCount(), 5);
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.FixedCols(), 1);
    EXPECT_EQ(grid.FixedRows(), 1);
    EXPECT_EQ(grid.Selection(), (TGridRect{1, 1, 1, 1}));
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("keep"));
  }
}

TEST(GridsBadInput, ClampsForCountsSizesAndTheView) {
  struct TCase {
    const char* Name;
    std::function<void(TProbeGrid&)> Set;
    std::function<QString(TProbeGrid&)> Read;
    QString Expected;
  };
  const TCase cases[] = {
      {"ColCount 0 becomes 1, FixedCols 0", [](auto& g) { g.SetColCount(0); },
       [](auto& g) { return QStringLiteral("%1 %2").arg(g.ColCount()).arg(g.FixedCols()); }, "1 0"},
      {"RowCount -5 becomes 1, FixedRows 0", [](auto& g) { g.SetRowCount(-5); },
       [](auto& g) { return QStringLiteral("%1 %2").arg(g.RowCount()).arg(g.FixedRows()); }, "1 0"},
      {"count at FixedX lowers it",
       [](auto& g) {
         g.SetFixedCols(3);
         g.SetColCount(3);
       },
       [](auto& g) { return QStringLiteral("%1 %2").arg(g.ColCount()).arg(g.FixedCols()); }, "3 2"},
      {"count 1 with a fixed row", [](auto& g) { g.SetRowCount(1); },
       [](auto& g) { return QStringLiteral("%1 %2 %3").arg(g.RowCount()).arg(g.FixedRows()).arg(g.Row()); }, "1 0 0"},
      {"shrinking pulls the current cell in",
       [](auto& g) {
         g.MoveCurrent(4, 4, true, false);
         g.SetColCount(3);
       },
       [](auto& g) { return QStringLiteral("%1,%2 %3").arg(g.Col()).arg(g.Row()).arg(SelText(g.Selection())); },
       "2,4 2,4-2,4"},
      {"negative default width", [](auto& g) { g.SetDefaultColWidth(-3); },
       [](auto& g) { return QString::number(g.ColWidths(2)); }, "0"},
      {"huge width", [](auto& g) { g.SetColWidths(2, 1 << 30); },
       [](auto& g) { return QString::number(g.ColWidths(2)); }, "32767"},
      {"negative width hides", [](auto& g) { g.SetColWidths(2, -7); },
       [](auto& g) { return QString::number(g.ColWidths(2)); }, "-7"},
      {"negative line width", [](auto& g) { g.SetGridLineWidth(-2); },
       [](auto& g) { return QString::number(g.GridLineWidth()); }, "0"},
      {"LeftCol below the fixed", [](auto& g) { g.SetLeftCol(-5); },
       [](auto& g) { return QString::number(g.LeftCol()); }, "1"},
      {"LeftCol beyond the grid", [](auto& g) { g.SetLeftCol(1000); },
       [](auto& g) { return QString::number(g.LeftCol()); }, "4"},
      {"TopRow beyond the grid", [](auto& g) { g.SetTopRow(99); },
       [](auto& g) { return QString::number(g.TopRow()); }, "4"},
      {"selection parked beyond the last cell", [](auto& g) { g.SetSelection(TGridRect{5, 5, 5, 5}); },
       [](auto& g) { return SelText(g.Selection()); }, "5,5-5,5"},
      {"FixedCols resets the current cell",
       [](auto& g) {
         g.MoveCurrent(3, 3, true, false);
         g.SetFixedCols(2);
       },
       [](auto& g) { return QStringLiteral("%1,%2 %3").arg(g.Col()).arg(g.Row()).arg(g.LeftCol()); }, "2,1 2"},
      {"deleting the last scrolled row", [](auto& g) {
         g.SetRowCount(2);
         g.SetCells(0, 1, QStringLiteral("stays"));
       },
       [](auto& g) {
         return MessageOf([&] { g.DeleteRow(1); }) + u' ' + QString::number(g.RowCount()) + u' ' + g.Cells(0, 1);
       },
       "EInvalidGridOperation: Too many rows or columns deleted 2 stays"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TProbeGrid grid(nullptr);
    EXPECT_EQ(MessageOf([&] { c.Set(grid); }), QStringLiteral("no exception"));
    EXPECT_EQ(c.Read(grid), c.Expected);
  }
}

TEST_F(GridFormTest, BadMessagesAndStrayInputChangeNothing) {
  const TGridRect sel = Grid->Selection();
  // Unknown scroll codes, out-of-range thumb positions, a timer that is not
  // the grid's.
  Grid->Perform(WM_HSCROLL, MAKEWPARAM(99, 0), 0);
  Grid->Perform(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0xFFFF), 0);
  EXPECT_EQ(Grid->TopRow(), 1);  // negative 16-bit position: the first row
  Grid->Perform(WM_TIMER, 1, 0);
  Grid->Perform(WM_TIMER, 12345, 0);
  EXPECT_EQ(Grid->Selection(), sel);
  // A release without a press, a move with the button up.
  MouseUp(Grid, 60, 30);
  MouseMove(Grid, 300, 300);
  EXPECT_EQ(Grid->GridState(), gsNormal);
  // Cancel mode ends a sizing drag half way.
  Grid->SetOptions(Grid->Options() + TGridOptions{goColSizing});
  MouseDown(Grid, 152, 10);
  EXPECT_EQ(Grid->GridState(), gsColSizing);
  Grid->Perform(WM_CANCELMODE, 0, 0);
  EXPECT_EQ(Grid->GridState(), gsNormal);
  MouseUp(Grid, 190, 10);
  EXPECT_EQ(Grid->ColWidths(2), 50);
}
