// The grid's drag and drop, driven by synthesized Qt drag events sent to
// the grid's window: text, cells, columns, files and URLs reach their
// handlers; a drag out of a grid with a move takes the source rows away,
// within one grid and between two; scrolling and the header rule while
// dragging; damaged and unreadable drops.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <QWidget>

#include "foundation/ksgdd.h"
#include "grid/io/KitGridClipboard.h"
#include "grid/io/KitGridDragDrop.h"
#include "grid/model/KitGrid.h"
#include "platform/vcl/Forms.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/harness/Harness.h"
#include "tests/support/PixelProbes.h"
#include "tests/support/TestSupport.h"

using gridtest::NewGrid;

namespace {

class GridDragDrop : public ::testing::Test {
 protected:
  void SetUp() override {
    FForm = std::make_unique<TForm>(nullptr);
    FForm->SetBounds(0, 0, 900, 500);
    A = MakeGrid(0);
    B = MakeGrid(450);
    ASSERT_TRUE(vcltest::ShowAndActivate(FForm.get()));
    vcltest::Pump();
  }
  void TearDown() override {
    SetDoDragDropHandler(nullptr);
    A.reset();
    B.reset();
    FForm.reset();
  }
  std::unique_ptr<TKitStringGrid> MakeGrid(int Left) {
    auto g = NewGrid();
    g->SetParent(FForm.get());
    g->SetBounds(Left, 0, 440, 400);
    g->SetColCount(4);
    g->SetRowCount(6);
    g->SetFixedRows(1);
    g->SetFixedCols(0);
    g->SetOptions(g->Options() + TGridOptions{goEditing});
    for (int r = 1; r < 6; ++r)
      for (int c = 0; c < 4; ++c) g->SetCells(c, r, QStringLiteral("%1%2").arg(QChar(u'a' + c)).arg(r));
    g->DragDropSettings()->SetOleDropTarget(true);
    return g;
  }

  // Where the cell's centre is, in the grid window's coordinates (beyond
  // the last row or column for indexes past them).
  static QPoint At(TKitStringGrid& G, int ACol, int ARow) {
    const TRect r = G.CellRect(std::min(ACol, G.ColCount() - 1), std::min(ARow, G.RowCount() - 1));
    QPoint p((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    if (ACol >= G.ColCount()) p.setX(r.Right + 20);
    if (ARow >= G.RowCount()) p.setY(r.Bottom + 20);
    return p;
  }

  struct Result {
    bool EnterAccepted = false, MoveAccepted = false, DropAccepted = false;
    Qt::DropAction Action = Qt::IgnoreAction;
  };
  static Result Drag(TKitStringGrid& G, const QMimeData* Data, QPoint P, Qt::KeyboardModifiers Mods = Qt::NoModifier,
                     bool DoDrop = true) {
    Result res;
    QWidget* w = G.Widget();
    const Qt::DropActions acts = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    QDragEnterEvent enter(P, acts, Data, Qt::LeftButton, Mods);
    QApplication::sendEvent(w, &enter);
    res.EnterAccepted = enter.isAccepted();
    QDragMoveEvent move(P, acts, Data, Qt::LeftButton, Mods);
    QApplication::sendEvent(w, &move);
    res.MoveAccepted = move.isAccepted();
    if (!DoDrop) {
      QDragLeaveEvent leave;
      QApplication::sendEvent(w, &leave);
      return res;
    }
    QDropEvent drop(QPointF(P), acts, Data, Qt::NoButton, Mods);
    QApplication::sendEvent(w, &drop);
    res.DropAccepted = drop.isAccepted();
    res.Action = drop.dropAction();
    return res;
  }

  // A drag executor that carries the drag's data to a grid's window as Qt
  // drag events at a cell, as the platform's drag loop would.
  void DragTo(TKitStringGrid& Target, int ACol, int ARow) {
    SetDoDragDropHandler([&Target, ACol, ARow](std::shared_ptr<IDataObject> obj, std::shared_ptr<TKSGDropSource> src,
                                               DWORD, DWORD& effect) {
      std::unique_ptr<QMimeData> mime(SourceMimeData(obj));
      const Result r = Drag(Target, mime.get(), At(Target, ACol, ARow));
      effect = !r.DropAccepted              ? DROPEFFECT_NONE
               : r.Action == Qt::MoveAction ? DROPEFFECT_MOVE
               : r.Action == Qt::LinkAction ? DROPEFFECT_LINK
                                            : DROPEFFECT_COPY;
      src->GiveFeedback(effect);
      return effect == DROPEFFECT_NONE ? src->QueryContinueDrag(true, 0) : src->QueryContinueDrag(false, 0);
    });
  }

  std::unique_ptr<TKitStringGrid> A, B;
  TForm* Form() const { return FForm.get(); }

 private:
  std::unique_ptr<TForm> FForm;
};

TEST_F(GridDragDrop, TargetIsRegisteredAndRevoked) {
  EXPECT_TRUE(A->DragDropSettings()->Registered());
  EXPECT_TRUE(A->Widget()->acceptDrops());
  A->DragDropSettings()->SetOleDropTarget(false);
  EXPECT_FALSE(A->DragDropSettings()->Registered());
  EXPECT_FALSE(A->Widget()->acceptDrops());
}

TEST_F(GridDragDrop, TextDropWithInsertRowsInsertsAndSelectsTheBlock) {
  A->DragDropSettings()->SetOleInsertRows(true);
  std::vector<QString> dropped;
  A->OnOleDrop = [&](TObject*, int, int, const QString& s, bool&) { dropped.push_back(s); };
  TGridRect selected{};
  A->OnOleDropped = [&](TObject*, const TGridRect& R) { selected = R; };
  QMimeData d;
  d.setText("x1\ty1\r\nx2\ty2\r\n");
  const Result r = Drag(*A, &d, At(*A, 1, 2));
  EXPECT_TRUE(r.DropAccepted);
  EXPECT_EQ(A->RowCount(), 8);
  EXPECT_EQ(A->Cells(1, 2), "x1");
  EXPECT_EQ(A->Cells(2, 3), "y2");
  EXPECT_EQ(A->Cells(1, 4), "b2");  // the old row 2, pushed down
  EXPECT_EQ(selected, (TGridRect{1, 2, 2, 3}));
  EXPECT_EQ(dropped.size(), 1u);
}

TEST_F(GridDragDrop, RefusedTextDropChangesNothingAndReportsNoEffect) {
  A->OnOleDrop = [](TObject*, int, int, const QString&, bool& Allow) { Allow = false; };
  QMimeData d;
  d.setText("zz");
  const Result r = Drag(*A, &d, At(*A, 0, 1));
  EXPECT_FALSE(r.DropAccepted);
  EXPECT_EQ(A->Cells(0, 1), "a1");
}

TEST_F(GridDragDrop, HeaderRowRefusedUnlessSingleRowWithFixedRowAlways) {
  QMimeData d;
  d.setText("h");
  bool overAllowed = true;
  A->OnOleDragOver = [&](TObject*, int, int, bool& Allow) { overAllowed = Allow; };
  Result r = Drag(*A, &d, At(*A, 1, 0), Qt::NoModifier, false);
  EXPECT_FALSE(r.MoveAccepted);
  EXPECT_FALSE(overAllowed);
  EXPECT_EQ(A->DropMarkerLeft(), TPoint(-1, -1));
  // Over a data cell the left marker is shown 10 pixels left of the cell.
  r = Drag(*A, &d, At(*A, 1, 2), Qt::NoModifier, false);
  EXPECT_TRUE(overAllowed);
  // (the leave event hid it again)
  EXPECT_EQ(A->DropMarkerLeft(), TPoint(-1, -1));

  auto single = MakeGrid(0);
  single->SetRowCount(1);
  single->SetFixedRowAlways(true);
  r = Drag(*single, &d, At(*single, 1, 0), Qt::NoModifier, false);
  EXPECT_TRUE(overAllowed);
}

TEST_F(GridDragDrop, InsertMarkersAreDrawnWhereTheyArePlacedAndGoWithTheLeave) {
  // The grids stand a little lower, so that a column's down arrow (8 pixels
  // above the header) has room in the form.
  A->SetBounds(0, 30, 440, 370);
  B->SetBounds(450, 30, 440, 370);
  vcltest::Pump();
  const Qt::DropActions acts = Qt::CopyAction | Qt::MoveAction;
  auto hover = [&](TKitStringGrid& G, const QMimeData* D, QPoint P) {
    QDragEnterEvent enter(P, acts, D, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(G.Widget(), &enter);
    QDragMoveEvent move(P, acts, D, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(G.Widget(), &move);
    vcltest::Pump();
  };
  auto leave = [&](TKitStringGrid& G) {
    QDragLeaveEvent ev;
    QApplication::sendEvent(G.Widget(), &ev);
    vcltest::Pump();
  };
  const auto lime = probe::NearTo(qRgb(0, 255, 0), 30);
  QWidget* formWidget = Form()->Widget();
  // Where an arrow window stands in the form's picture; it stands at its
  // marker's place on the screen.
  auto arrowBox = [&](TKitStringGrid& G, TArrowDirection Dir, TPoint Marker) {
    QWidget* w = G.ArrowWindow(Dir)->Widget();
    EXPECT_EQ(w->mapToGlobal(QPoint(0, 0)), QPoint(Marker.X, Marker.Y));
    return QRect(w->mapTo(formWidget, QPoint(0, 0)), w->size());
  };

  struct MarkerCase {
    const char* Name;
    TKitStringGrid* Grid;
    bool Column;
    int Col, Row;
    std::vector<TArrowDirection> Shown;
  };
  QMimeData text;
  text.setText("t");
  QMimeData column;
  column.setData(ksgdd::GridColumnMimeType(), QByteArray("\x01\0\0\0", 4));
  column.setText("");  // a column drag lists the text formats too
  const std::vector<MarkerCase> cases = {
      // The row marker of the first column stands left of the grid, in the
      // gap between the two grids.
      {"row marker left of grid B", B.get(), false, 0, 2, {arrLeft}},
      {"row marker in grid A", A.get(), false, 2, 3, {arrLeft}},
      {"column markers over A's header", A.get(), true, 1, 0, {arrDown, arrUp}},
  };
  for (const MarkerCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TKitStringGrid& g = *c.Grid;
    hover(g, c.Column ? &column : &text, At(g, c.Col, c.Row));
    const QImage shown = vcltest::Grab(Form());
    int inBoxes = 0;
    for (TArrowDirection d : c.Shown) {
      const TPoint marker = d == arrLeft ? g.DropMarkerLeft() : d == arrDown ? g.DropMarkerDown() : g.DropMarkerUp();
      ASSERT_NE(marker, TPoint(-1, -1));
      const QRect box = arrowBox(g, d, marker);
      const int n = probe::Count(shown, lime, box);
      // The arrow's polygon, not its whole box, is drawn.
      EXPECT_GT(n, box.width() * box.height() / 4);
      EXPECT_LT(n, box.width() * box.height());
      inBoxes += n;
    }
    // No lime anywhere else.
    EXPECT_EQ(probe::Count(shown, lime), inBoxes);
    if (c.Grid == B.get() && !c.Column) {
      // Outside the grid that shows it.
      const QRect gridArea(B->Widget()->mapTo(formWidget, QPoint(0, 0)), B->Widget()->size());
      EXPECT_EQ(probe::Count(shown, lime, gridArea), 0);
      EXPECT_GT(inBoxes, 0);
      shown.save(testsupport::TestOutputFolder() + "/grid-drop-marker.png");
    }
    leave(g);
    EXPECT_EQ(probe::Count(vcltest::Grab(Form()), lime), 0);
  }
}

TEST_F(GridDragDrop, MovingOverTheTopRowScrollsUp) {
  A->SetRowCount(60);
  A->SetTopRow(10);
  QMimeData d;
  d.setText("s");
  Drag(*A, &d, At(*A, 1, 0), Qt::NoModifier, false);
  EXPECT_EQ(A->TopRow(), 9);
  Drag(*A, &d, At(*A, 1, 0), Qt::NoModifier, false);
  EXPECT_EQ(A->TopRow(), 8);
}

TEST_F(GridDragDrop, ColumnDropsTargetAndReorder) {
  std::vector<std::tuple<int, int, int>> drops;
  A->OnOleDropCol = [&](TObject*, int ARow, int ACol, int DropCol) { drops.emplace_back(ARow, ACol, DropCol); };
  QMimeData d;
  d.setData(ksgdd::GridColumnMimeType(), QByteArray("\x01\0\0\0", 4));
  // A column drag lists the text formats (empty): that is how the grid's
  // target, which takes no columns as such, lets it in.
  d.setText("");
  Drag(*A, &d, At(*A, 9, 0));
  ASSERT_EQ(drops.size(), 1u);
  EXPECT_EQ(std::get<1>(drops[0]), 4);  // beyond the last column: ColCount
  EXPECT_EQ(std::get<2>(drops[0]), 1);
  EXPECT_EQ(A->Cells(1, 1), "b1");  // no reorder without OleColumnReorder

  A->DragDropSettings()->SetOleColumnReorder(true);
  Drag(*A, &d, At(*A, 9, 0));
  EXPECT_EQ(A->Cells(3, 1), "b1");  // limited to the last column
  EXPECT_EQ(A->Cells(1, 1), "c1");
}

TEST_F(GridDragDrop, FileDropsByExtension) {
  QTemporaryDir dir;
  const QString csv = dir.filePath("list.csv");
  const QString bak = dir.filePath("list.csv.bak");
  for (const QString& f : {csv, bak}) {
    QFile file(f);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("n1,n2\nn3,n4\n");
  }
  std::vector<QString> files, multi;
  A->OnOleDropFile = [&](TObject*, int, int, const QString& name, bool&) { files.push_back(name); };
  A->OnOleDropFiles = [&](TObject*, int, int, TStrings* list) { multi.push_back(list->Strings(1)); };

  QMimeData one;
  one.setUrls({QUrl::fromLocalFile(csv)});
  Drag(*A, &one, At(*A, 1, 2));
  EXPECT_EQ(files, (std::vector<QString>{csv}));
  EXPECT_EQ(A->Cells(0, 0), "n1");
  EXPECT_EQ(A->Cells(1, 1), "n4");

  // A name that only contains ".csv" is not loaded.
  A->SetCells(0, 0, "kept");
  QMimeData other;
  other.setUrls({QUrl::fromLocalFile(bak)});
  Drag(*A, &other, At(*A, 1, 1));
  EXPECT_EQ(A->Cells(0, 0), "kept");

  // Two files: only the list event.
  QMimeData two;
  two.setUrls({QUrl::fromLocalFile(csv), QUrl::fromLocalFile(bak)});
  Drag(*A, &two, At(*A, 1, 1));
  EXPECT_EQ(multi, (std::vector<QString>{bak}));
  EXPECT_EQ(A->Cells(0, 0), "kept");
}

TEST_F(GridDragDrop, UnreadableFileIsReportedAndChangesNothing) {
  std::vector<QString> reported;
  auto old = Application->OnException;
  Application->OnException = [&](TObject*, const Exception& E) { reported.push_back(E.Message()); };
  QMimeData d;
  d.setUrls({QUrl::fromLocalFile("/nonexistent/folder/gone.csv")});
  Drag(*A, &d, At(*A, 1, 1));
  Application->OnException = old;
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_TRUE(reported[0].contains("gone.csv")) << reported[0].toStdString();
  EXPECT_EQ(A->Cells(1, 1), "b1");
  EXPECT_EQ(A->RowCount(), 6);
}

TEST_F(GridDragDrop, UrlDropsIntoTheCellUnlessRefused) {
  QMimeData d;
  d.setUrls({QUrl("https://example.org/page")});
  Result r = Drag(*A, &d, At(*A, 2, 3));
  EXPECT_EQ(r.Action, Qt::LinkAction);
  EXPECT_EQ(A->Cells(2, 3), "https://example.org/page");
  A->OnOleDropURL = [](TObject*, int, int, const QString&, bool& Allow) { Allow = false; };
  QMimeData e;
  e.setUrls({QUrl("https://example.org/other")});
  Drag(*A, &e, At(*A, 2, 4));
  EXPECT_EQ(A->Cells(2, 4), "c4");
}

TEST_F(GridDragDrop, MoveBetweenGridsCarriesPropertiesAndRemovesTheSourceRows) {
  for (TKitStringGrid* g : {A.get(), B.get()}) {
    g->Navigation()->SetAllowFmtClipboard(true);
    g->SetOptions(g->Options() + TGridOptions{goRowSelect});
    g->DragDropSettings()->SetOleDropSource(true);
    g->DragDropSettings()->SetOleRemoveRows(true);
    g->DragDropSettings()->SetOleInsertRows(true);
    g->DragDropSettings()->SetOleEntireRows(true);
  }
  A->CellProperties(0, 2)->SetFontColor(0x0000FF);
  A->SetSelection(TGridRect{0, 2, 3, 3});
  int stopped = -1;
  A->OnOleDragStop = [&](TObject*, int e) { stopped = e; };
  DragTo(*B, 1, 1);
  EXPECT_EQ(A->StartOleDrag(0, 2), DRAGDROP_S_DROP);
  EXPECT_EQ(stopped, int(DROPEFFECT_MOVE));
  // B got two rows inserted at row 1, with their properties.
  EXPECT_EQ(B->RowCount(), 8);
  EXPECT_EQ(B->Cells(0, 1), "a2");
  EXPECT_EQ(B->Cells(3, 2), "d3");
  EXPECT_EQ(B->Cells(0, 3), "a1");
  ASSERT_NE(B->FindCellProperties(0, 1), nullptr);
  EXPECT_EQ(B->FindCellProperties(0, 1)->FontColor(), 0x0000FF);
  // A lost them.
  EXPECT_EQ(A->RowCount(), 4);
  EXPECT_EQ(A->Cells(0, 2), "a4");
}

TEST_F(GridDragDrop, MoveWithinOneGridAboveTheSourceRemovesTheShiftedRows) {
  for (bool cells : {false, true}) {
    SCOPED_TRACE(cells ? "grid cells" : "text");
    auto g = MakeGrid(0);
    g->Navigation()->SetAllowFmtClipboard(cells);
    g->SetOptions(g->Options() + TGridOptions{goRowSelect});
    g->DragDropSettings()->SetOleDropSource(true);
    g->DragDropSettings()->SetOleRemoveRows(true);
    g->DragDropSettings()->SetOleInsertRows(true);
    g->DragDropSettings()->SetOleEntireRows(true);
    g->SetSelection(TGridRect{0, 4, 3, 5});
    DragTo(*g, 0, 1);
    EXPECT_EQ(g->StartOleDrag(0, 4), DRAGDROP_S_DROP);
    ASSERT_EQ(g->RowCount(), 6);
    const std::vector<QString> expected = {"a4", "a5", "a1", "a2", "a3"};
    for (int r = 1; r < 6; ++r) EXPECT_EQ(g->Cells(0, r), expected[r - 1]) << r;
  }
}

TEST_F(GridDragDrop, CancelledDragFiresNoStopAndKeepsTheSource) {
  A->DragDropSettings()->SetOleDropSource(true);
  A->SetSelection(TGridRect{0, 1, 1, 1});
  int stops = 0;
  A->OnOleDragStop = [&](TObject*, int) { ++stops; };
  SetDoDragDropHandler([](auto, std::shared_ptr<TKSGDropSource> src, DWORD, DWORD& effect) {
    effect = DROPEFFECT_NONE;
    src->GiveFeedback(DROPEFFECT_NONE);
    return src->QueryContinueDrag(true, MK_LBUTTON);
  });
  EXPECT_EQ(A->StartOleDrag(0, 1), DRAGDROP_S_CANCEL);
  EXPECT_EQ(stops, 0);
  EXPECT_EQ(A->Cells(0, 1), "a1");
  // OnOleDrag may refuse the drag before it starts.
  bool ran = false;
  SetDoDragDropHandler([&](auto, auto, DWORD, DWORD&) {
    ran = true;
    return DRAGDROP_S_DROP;
  });
  A->OnOleDrag = [](TObject*, int, int, const QString&, bool& Allow) { Allow = false; };
  EXPECT_EQ(A->StartOleDrag(0, 1), 0);
  EXPECT_FALSE(ran);
}

TEST_F(GridDragDrop, DamagedCellsDropChangesNothing) {
  QMimeData d;
  d.setData(ksgdd::GridCellsMimeType(), QByteArray("TPF0\x0BTGridPropIO\0garbage", 22));
  d.setText("fallback");
  const Result r = Drag(*A, &d, At(*A, 1, 1));
  EXPECT_FALSE(r.DropAccepted);
  EXPECT_EQ(A->Cells(1, 1), "b1");
  EXPECT_EQ(A->RowCount(), 6);
}

TEST(GridDragDropNames, FileKindsByExtension) {
  struct N {
    const char* Name;
    bool Csv, Book;
  };
  for (const N& n : std::vector<N>{{"a.csv", true, false},
                                   {"A.CSV", true, false},
                                   {"report.csv.bak", false, false},
                                   {"x.csv.xls", false, true},
                                   {"b.xlsx", false, true},
                                   {"b.XLSM", false, true},
                                   {"noext", false, false}}) {
    EXPECT_EQ(kitgridio::IsCsvFileName(n.Name), n.Csv) << n.Name;
    EXPECT_EQ(kitgridio::IsWorkbookFileName(n.Name), n.Book) << n.Name;
  }
}

}  // namespace
