// The grid's clipboard: the text of a range (quoting, stripping, rich
// text), pasting text blocks (counts, growth, inserts, events), round trips
// between two grids in every format, the smart fill, cut, and bad data from
// other programs (huge blocks, damaged grid cells, pastes past the edge).

#include <gtest/gtest.h>

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMimeData>

#include "grid/io/KitGridClipboard.h"
#include "grid/io/KitGridIOSupport.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridUndo.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "tests/grid/GridTestSupport.h"

using gridtest::NewGrid;
using namespace kitgridio;

namespace {

// A grid of Cols x Rows without fixed cells, editable.
std::unique_ptr<TKitStringGrid> PlainGrid(int Cols, int Rows) {
  auto g = NewGrid();
  g->SetFixedCols(0);
  g->SetFixedRows(0);
  g->SetColCount(Cols);
  g->SetRowCount(Rows);
  g->SetOptions(g->Options() + TGridOptions{goEditing});
  return g;
}

void PutText(const QString& Text) {
  auto* md = new QMimeData;
  md->setText(Text);
  QGuiApplication::clipboard()->setMimeData(md);
}

void PutData(const QString& Mime, const QByteArray& Bytes, const QString& Text = QString()) {
  auto* md = new QMimeData;
  md->setData(Mime, Bytes);
  if (!Text.isNull()) md->setText(Text);
  QGuiApplication::clipboard()->setMimeData(md);
}

QString ClipText() { return QGuiApplication::clipboard()->text(); }

// Records what SetPasteModified receives.
class TRecordingGrid : public TKitStringGrid {
 public:
  using TKitStringGrid::TKitStringGrid;
  void SetPasteModified(const TPoint& Source, const TGridRect& R, TClipOperation Op) override {
    Sources.push_back(Source);
    Rects.push_back(R);
    TKitStringGrid::SetPasteModified(Source, R, Op);
  }
  std::vector<TPoint> Sources;
  std::vector<TGridRect> Rects;
};

// ---------------------------------------------------------------------------
// Text of a range

TEST(GridClipboardText, RangesAsText) {
  auto g = PlainGrid(3, 3);
  g->SetCells(0, 0, "a0");
  g->SetCells(1, 0, "a\r\nb");
  g->SetCells(0, 1, "c");
  g->SetCells(1, 1, "d");
  g->SetCells(2, 2, "say \"hi\"\nthere");
  // Two rows: every row ends with CR LF; a multi-line cell is quoted with
  // its line breaks as LF.
  EXPECT_EQ(g->SelectionToText(TGridRect{0, 0, 1, 1}, false), "a0\t\"a\nb\"\r\nc\td\r\n");
  // One cell: no line break.
  EXPECT_EQ(g->SelectionToText(TGridRect{0, 1, 0, 1}, false), "c");
  // Quotes inside a multi-line cell are doubled.
  EXPECT_EQ(g->SelectionToText(TGridRect{2, 2, 2, 2}, false), "\"say \"\"hi\"\"\nthere\"");
  // A one-line cell with quotes stays as it is.
  g->SetCells(0, 2, "\"x\"");
  EXPECT_EQ(g->SelectionToText(TGridRect{0, 2, 0, 2}, false), "\"x\"");
  EXPECT_EQ(g->ClipTopLeft(), TPoint(0, 2));
}

TEST(GridClipboardText, ExcelFlavourUsesVerticalTabs) {
  auto g = PlainGrid(2, 1);
  g->SetMultilinecells(true);
  g->SetExcelClipboardFormat(true);
  g->SetCells(0, 0, "one\r\ntwo");
  g->SetCells(1, 0, "x");
  EXPECT_EQ(g->SelectionToText(TGridRect{0, 0, 1, 0}, false), QString("\"one") + QChar(11) + "two\"\tx");
  // ... and the paste turns them back into line breaks.
  auto h = PlainGrid(2, 1);
  int cols = 0, rows = 0;
  h->PasteTextBlock(0, 0, g->SelectionToText(TGridRect{0, 0, 1, 0}, false), cols, rows);
  EXPECT_EQ(h->Cells(0, 0), "one\r\ntwo");
  EXPECT_EQ(h->Cells(1, 0), "x");
}

TEST(GridClipboardText, HtmlTagsStrippedOnlyWhenAsked) {
  auto g = PlainGrid(2, 1);
  g->SetCells(0, 0, "<b>x</b>");
  g->SetCells(1, 0, "<b>x");
  EXPECT_EQ(g->SelectionToText(TGridRect{0, 0, 1, 0}, false), "<b>x</b>\t<b>x");
  g->Navigation()->SetCopyHTMLTagsToClipboard(false);
  EXPECT_EQ(g->SelectionToText(TGridRect{0, 0, 1, 0}, false), "x\t<b>x");
}

TEST(GridClipboardText, SelectionAsTextReadsAndWrites) {
  auto g = PlainGrid(2, 2);
  g->SetSelection(TGridRect{0, 0, 0, 0});
  g->SetSelectionAsText("p\tq\r\nr\ts\tt\r\nu");
  // Columns and rows grow whatever the clipboard settings say.
  EXPECT_EQ(g->ColCount(), 3);
  EXPECT_GE(g->RowCount(), 3);
  EXPECT_EQ(g->Cells(1, 0), "q");
  EXPECT_EQ(g->Cells(2, 1), "t");
  EXPECT_EQ(g->Cells(0, 2), "u");
  g->SetSelection(TGridRect{0, 0, 1, 1});
  EXPECT_EQ(g->SelectionAsText(), "p\tq\r\nr\ts\r\n");
}

// ---------------------------------------------------------------------------
// Pasting text blocks

struct PasteCase {
  const char* Name;
  QString Text;
  int Result, Cols, Rows;
  std::vector<std::tuple<int, int, QString>> Cells;
};

TEST(GridClipboardPaste, TextBlocksTable) {
  const std::vector<PasteCase> cases = {
      {"spreadsheet multi-line cell", "\"a\nb\"\tc\r\n", 3, 2, 1, {{0, 0, "a\r\nb"}, {1, 0, "c"}}},
      {"quoted field without a line break keeps its quotes", "\"x\"", 1, 1, 1, {{0, 0, "\"x\""}}},
      {"doubled quotes in a multi-line cell", "\"say \"\"hi\"\"\nthere\"", 1, 1, 1, {{0, 0, "say \"hi\"\r\nthere"}}},
      {"one line, no break", "a\tb\tc", 3, 3, 1, {{2, 0, "c"}}},
      {"LF-only lines from another program", "1\t2\n3\t4\n", 5, 2, 2, {{0, 1, "3"}, {1, 1, "4"}}},
      {"CR-only lines", "1\r2\r3", 3, 1, 2, {{0, 2, "3"}}},
      {"unclosed quote is text", "\"a\tb", 2, 2, 1, {{0, 0, "\"a"}, {1, 0, "b"}}},
  };
  for (const PasteCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto g = PlainGrid(4, 4);
    int cols = -1, rows = -1;
    EXPECT_EQ(g->PasteTextBlock(0, 0, c.Text, cols, rows), c.Result);
    EXPECT_EQ(cols, c.Cols);
    EXPECT_EQ(rows, c.Rows);
    for (const auto& [col, row, text] : c.Cells) EXPECT_EQ(g->Cells(col, row), text) << col << "," << row;
  }
}

TEST(GridClipboardPaste, NothingWithoutEditingOrBeforeTheGrid) {
  auto g = PlainGrid(2, 2);
  g->SetOptions(g->Options() - TGridOptions{goEditing});
  int cols = 0, rows = 0;
  EXPECT_EQ(g->PasteTextBlock(0, 0, "x", cols, rows), 0);
  EXPECT_EQ(g->Cells(0, 0), "");
  g->Navigation()->SetAllowClipboardAlways(true);
  EXPECT_EQ(g->PasteTextBlock(-1, 0, "x", cols, rows), 0);
  EXPECT_EQ(g->PasteTextBlock(0, 0, "x", cols, rows), 1);
  EXPECT_EQ(g->Cells(0, 0), "x");
}

TEST(GridClipboardPaste, PastPastTheEdgeWithoutGrowthStoresNothingThereButCounts) {
  auto g = PlainGrid(2, 2);
  g->Navigation()->SetAllowClipboardColGrow(false);
  g->Navigation()->SetAllowClipboardRowGrow(false);
  g->SetCells(1, 1, "keep");
  int cols = 0, rows = 0;
  EXPECT_EQ(g->PasteTextBlock(1, 1, "a\tb\tc\r\nd\te\r\nf", cols, rows), 6);
  EXPECT_EQ(g->ColCount(), 2);
  EXPECT_EQ(g->RowCount(), 2);
  EXPECT_EQ(g->Cells(1, 1), "a");
  EXPECT_EQ(g->Cells(0, 0), "");
  // With growth the block fits.
  auto h = PlainGrid(2, 2);
  h->PasteTextBlock(1, 1, "a\tb\tc\r\nd\te\r\nf", cols, rows);
  EXPECT_EQ(h->ColCount(), 4);
  EXPECT_EQ(h->RowCount(), 4);
  EXPECT_EQ(h->Cells(3, 1), "c");
  EXPECT_EQ(h->Cells(1, 3), "f");
}

TEST(GridClipboardPaste, EventsCanChangeOrSkipCells) {
  auto g = PlainGrid(3, 1);
  std::vector<QString> after;
  g->OnClipboardBeforePasteCell = [](TObject*, int ACol, int, QString& Value, bool& Allow) {
    if (ACol == 1) Allow = false;
    Value = Value.toUpper();
  };
  g->OnClipboardAfterPasteCell = [&](TObject*, int, int, const QString& Value) { after.push_back(Value); };
  int cols = 0, rows = 0;
  EXPECT_EQ(g->PasteTextBlock(0, 0, "a\tb\tc", cols, rows), 3);
  EXPECT_EQ(g->Cells(0, 0), "A");
  EXPECT_EQ(g->Cells(1, 0), "");
  EXPECT_EQ(g->Cells(2, 0), "C");
  EXPECT_EQ(after, (std::vector<QString>{"A", "C"}));
}

TEST(GridClipboardPaste, InsertActionInsertsARowPerLine) {
  auto g = PlainGrid(2, 3);
  g->SetCells(0, 0, "top");
  g->SetCells(0, 1, "below");
  g->Navigation()->SetClipboardPasteAction(paInsert);
  int cols = 0, rows = 0;
  g->PasteTextBlock(0, 1, "x\r\ny\r\n", cols, rows);
  EXPECT_EQ(g->RowCount(), 5);
  EXPECT_EQ(g->Cells(0, 0), "top");
  EXPECT_EQ(g->Cells(0, 1), "x");
  EXPECT_EQ(g->Cells(0, 2), "y");
  EXPECT_EQ(g->Cells(0, 3), "below");
}

TEST(GridClipboardPaste, UndoTakesBackAPasteAsOneStep) {
  auto g = PlainGrid(2, 2);
  auto undo = std::make_unique<TKitGridUndoRedo>(nullptr);
  g->SetUndoRedo(undo.get());
  g->SetCells(0, 0, "old");
  int cols = 0, rows = 0;
  g->PasteTextBlock(0, 0, "a\tb\r\nc\td", cols, rows);
  EXPECT_EQ(g->Cells(1, 1), "d");
  undo->Undo();
  EXPECT_EQ(g->Cells(0, 0), "old");
  EXPECT_EQ(g->Cells(1, 1), "");
  g->SetUndoRedo(nullptr);
}

// ---------------------------------------------------------------------------
// Round trips between two grids through the system clipboard

TEST(GridClipboardRoundTrip, TextBetweenTwoGrids) {
  auto a = PlainGrid(3, 3);
  a->SetCells(0, 0, "plain");
  a->SetCells(1, 0, "two\r\nlines \"quoted\"");
  a->SetCells(2, 1, "tab-free");
  a->SetSelection(TGridRect{0, 0, 2, 1});
  a->CopySelectionToClipboard();
  EXPECT_EQ(a->ClipLastOp(), coCopy);
  auto b = PlainGrid(2, 2);
  b->SetSelection(TGridRect{0, 0, 0, 0});
  b->PasteSelectionFromClipboard();
  EXPECT_EQ(b->ColCount(), 3);
  EXPECT_EQ(b->Cells(0, 0), "plain");
  EXPECT_EQ(b->Cells(1, 0), "two\r\nlines \"quoted\"");
  EXPECT_EQ(b->Cells(2, 1), "tab-free");
}

TEST(GridClipboardRoundTrip, PrivateFormatCarriesProperties) {
  auto a = PlainGrid(3, 3);
  a->Navigation()->SetAllowFmtClipboard(true);
  a->SetCells(1, 1, "red");
  a->CellProperties(1, 1)->SetFontColor(0x0000FF);
  a->CellProperties(1, 1)->SetBrushColor(0x00FF00);
  a->SetCells(2, 2, "x");
  a->SetSelection(TGridRect{1, 1, 2, 2});
  a->CopySelectionToClipboard();
  const QMimeData* md = QGuiApplication::clipboard()->mimeData();
  ASSERT_TRUE(md->hasFormat(GridCellsMimeType()));
  EXPECT_EQ(md->text(), "red\t\r\n\tx\r\n");

  auto b = CreateUnique<TRecordingGrid>(nullptr);
  b->SetFixedCols(0);
  b->SetFixedRows(0);
  b->SetColCount(2);
  b->SetRowCount(2);
  b->SetOptions(b->Options() + TGridOptions{goEditing});
  b->Navigation()->SetAllowFmtClipboard(true);
  int cols = 0, rows = 0;
  EXPECT_EQ(b->PasteFromClipboardAt(1, 0, cols, rows), 4);
  EXPECT_EQ(cols, 2);
  EXPECT_EQ(rows, 2);
  EXPECT_EQ(b->ColCount(), 3);  // grown to the header's columns
  EXPECT_EQ(b->Cells(1, 0), "red");
  EXPECT_EQ(b->Cells(2, 1), "x");
  ASSERT_NE(b->FindCellProperties(1, 0), nullptr);
  EXPECT_EQ(b->FindCellProperties(1, 0)->FontColor(), 0x0000FF);
  EXPECT_EQ(b->FindCellProperties(1, 0)->BrushColor(), 0x00FF00);
  // From another grid: no source cell.
  ASSERT_FALSE(b->Sources.empty());
  EXPECT_EQ(b->Sources.back(), TPoint(-1, -1));
  EXPECT_EQ(b->Rects.back(), (TGridRect{1, 0, 2, 1}));

  // From the same grid: the copied range's top-left cell.
  b->SetSelection(TGridRect{1, 0, 1, 0});
  b->CopySelectionToClipboard();
  b->PasteFromClipboardAt(0, 1, cols, rows);
  EXPECT_EQ(b->Sources.back(), TPoint(1, 0));
}

TEST(GridClipboardRoundTrip, AWholeGridPastesAtTheCellNotOverTheTarget) {
  auto a = PlainGrid(2, 2);
  a->Navigation()->SetAllowFmtClipboard(true);
  a->SetCells(0, 0, "w");
  a->SetCells(1, 1, "z");
  a->SetSelection(TGridRect{0, 0, 1, 1});  // every cell of the grid
  a->CopySelectionToClipboard();
  auto b = PlainGrid(5, 5);
  b->Navigation()->SetAllowFmtClipboard(true);
  b->SetCells(0, 0, "mine");
  int cols = 0, rows = 0;
  EXPECT_EQ(b->PasteFromClipboardAt(2, 3, cols, rows), 4);
  EXPECT_EQ(b->ColCount(), 5);
  EXPECT_EQ(b->RowCount(), 5);
  EXPECT_EQ(b->Cells(0, 0), "mine");
  EXPECT_EQ(b->Cells(2, 3), "w");
  EXPECT_EQ(b->Cells(3, 4), "z");
}

TEST(GridClipboardRoundTrip, HtmlForOtherProgramsAndTextForGrids) {
  auto a = PlainGrid(2, 2);
  a->SetCells(0, 0, "Zoë");
  a->SetCells(1, 1, "<b>bold</b>");
  a->CopyToClipBoardAsHTML();
  const QMimeData* md = QGuiApplication::clipboard()->mimeData();
  ASSERT_TRUE(md->hasHtml());
  const QString html = md->html();
  EXPECT_TRUE(html.startsWith("<!DOCTYPE html>")) << html.left(80).toStdString();
  EXPECT_TRUE(html.contains("charset=\"utf-8\""));
  EXPECT_TRUE(html.contains("Zoë"));
  EXPECT_TRUE(html.contains("<table", Qt::CaseInsensitive));
  EXPECT_FALSE(html.contains("StartFragment:"));
  // The Windows-style text with its offsets under its own type.
  const QByteArray cf = md->data(HtmlFormatMimeType());
  EXPECT_TRUE(cf.startsWith("Version:1.0\r\nStartHTML:"));
  EXPECT_TRUE(cf.contains("Zo\xC3\xAB"));
  // A grid pastes the cells from the plain text.
  auto b = PlainGrid(2, 2);
  b->SetSelection(TGridRect{0, 0, 0, 0});
  b->PasteSelectionFromClipboard();
  EXPECT_EQ(b->Cells(0, 0), "Zoë");
  EXPECT_EQ(b->Cells(1, 1), "<b>bold</b>");
}

TEST(GridClipboardRoundTrip, RichTextCellTravelsAsRtf) {
  const QString rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Hello \\b bold\\b0  caf\\'e9\\par}";
  auto a = PlainGrid(2, 1);
  a->Navigation()->SetAllowRTFClipboard(true);
  a->SetCells(0, 0, rtf);
  a->SetCells(1, 0, "next");
  a->SetSelection(TGridRect{0, 0, 1, 0});
  a->CopySelectionToClipboard();
  const QMimeData* md = QGuiApplication::clipboard()->mimeData();
  ASSERT_TRUE(md->hasFormat("text/rtf"));
  EXPECT_EQ(md->data("text/rtf"), rtf.toLatin1());
  // The text holds the cell's plain text, not its markup.
  EXPECT_FALSE(md->text().contains("\\rtf1"));
  EXPECT_TRUE(md->text().startsWith("Hello bold café")) << md->text().toStdString();
  // A grid that reads rich text takes the cell whole.
  auto b = PlainGrid(2, 1);
  b->Navigation()->SetAllowRTFClipboard(true);
  int cols = 0, rows = 0;
  EXPECT_EQ(b->PasteFromClipboardAt(0, 0, cols, rows), 0);
  EXPECT_EQ(cols, 1);
  EXPECT_EQ(rows, 1);
  EXPECT_EQ(b->Cells(0, 0), rtf);
  // One that does not reads the text.
  auto c = PlainGrid(2, 1);
  c->PasteFromClipboardAt(0, 0, cols, rows);
  EXPECT_TRUE(c->Cells(0, 0).startsWith("Hello bold café"));
  EXPECT_EQ(c->Cells(1, 0), "next");
}

// ---------------------------------------------------------------------------
// Smart fill

TEST(GridClipboardSmartFill, SeriesAndRepeats) {
  struct FillCase {
    const char* Name;
    QString Clip;
    TGridRect Sel;
    std::vector<QString> Expected;  // column by column, row by row
  };
  const std::vector<FillCase> cases = {
      {"integers down a column", "5\r\n7\r\n", {0, 0, 0, 4}, {"5", "7", "9", "11", "13"}},
      {"integers along a row", "10\t8", {0, 0, 3, 0}, {"10", "8", "6", "4"}},
      {"decimals", "1.5\r\n2\r\n", {0, 0, 0, 3}, {"1.50", "2.00", "2.50", "3.00"}},
      {"dates by month",
       DateToStr(EncodeDate(2024, 1, 15)) + "\r\n" + DateToStr(EncodeDate(2024, 2, 15)) + "\r\n",
       {0, 0, 0, 3},
       {DateToStr(EncodeDate(2024, 1, 15)), DateToStr(EncodeDate(2024, 2, 15)), DateToStr(EncodeDate(2024, 3, 15)),
        DateToStr(EncodeDate(2024, 4, 15))}},
      {"texts repeat", "a\r\nb\r\n", {0, 0, 0, 4}, {"a", "b", "a", "b", "a"}},
      {"one value into a block", "v", {0, 0, 1, 2}, {"v", "v", "v", "v", "v", "v"}},
  };
  for (const FillCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto g = PlainGrid(4, 5);
    g->Navigation()->SetAllowSmartClipboard(true);
    PutText(c.Clip);
    g->SetSelection(c.Sel);
    g->PasteSelectionFromClipboard();
    std::vector<QString> got;
    for (int col = c.Sel.Left; col <= c.Sel.Right; ++col)
      for (int row = c.Sel.Top; row <= c.Sel.Bottom; ++row) got.push_back(g->Cells(col, row));
    EXPECT_EQ(got, c.Expected);
  }
}

TEST(GridClipboardSmartFill, OneValueFiresNoEventsAtTheTopLeftCell) {
  auto g = PlainGrid(3, 2);
  g->Navigation()->SetAllowSmartClipboard(true);
  std::vector<TPoint> before;
  g->OnClipboardBeforePasteCell = [&](TObject*, int c, int r, QString&, bool&) { before.push_back(TPoint(c, r)); };
  PutText("v");
  g->SetSelection(TGridRect{0, 0, 2, 1});
  g->PasteSelectionFromClipboard();
  for (int c = 0; c < 3; ++c)
    for (int r = 0; r < 2; ++r) EXPECT_EQ(g->Cells(c, r), "v");
  // The paste itself fires for (0, 0); the fill never does.
  EXPECT_EQ(std::count(before.begin(), before.end(), TPoint(0, 0)), 1);
  EXPECT_EQ(std::count(before.begin(), before.end(), TPoint(2, 1)), 1);
}

// ---------------------------------------------------------------------------
// Cut

TEST(GridClipboardCut, ClearsOrRemovesRows) {
  for (bool rowSelect : {false, true}) {
    SCOPED_TRACE(rowSelect ? "row select" : "cell select");
    auto g = PlainGrid(2, 4);
    for (int r = 0; r < 4; ++r) g->SetCells(0, r, QString::number(r));
    g->Navigation()->SetClipboardCutAction(caRemove);
    if (rowSelect) g->SetOptions(g->Options() + TGridOptions{goRowSelect});
    g->SetSelection(TGridRect{0, 1, 1, 2});
    g->CutSelectionToClipboard();
    EXPECT_EQ(g->ClipLastOp(), coCut);
    EXPECT_EQ(ClipText(), "1\t\r\n2\t\r\n");
    if (rowSelect) {
      EXPECT_EQ(g->RowCount(), 2);
      EXPECT_EQ(g->Cells(0, 1), "3");
    } else {
      EXPECT_EQ(g->RowCount(), 4);
      EXPECT_EQ(g->Cells(0, 1), "");
      EXPECT_EQ(g->Cells(0, 3), "3");
    }
  }
}

TEST(GridClipboardCut, UndoBringsTheCutCellsBack) {
  auto g = PlainGrid(2, 2);
  auto undo = std::make_unique<TKitGridUndoRedo>(nullptr);
  g->SetUndoRedo(undo.get());
  g->SetCells(0, 0, "a");
  g->SetCells(1, 1, "b");
  g->SetSelection(TGridRect{0, 0, 1, 1});
  g->CutSelectionToClipboard();
  EXPECT_EQ(g->Cells(1, 1), "");
  undo->Undo();
  EXPECT_EQ(g->Cells(0, 0), "a");
  EXPECT_EQ(g->Cells(1, 1), "b");
  g->SetUndoRedo(nullptr);
}

// ---------------------------------------------------------------------------
// Bad data from other programs

TEST(GridClipboardBadData, AMillionCellsPasteWhole) {
  QString text;
  text.reserve(4'000'000);
  for (int r = 0; r < 100000; ++r) {
    for (int c = 0; c < 10; ++c) {
      text += QString::number(c);
      if (c < 9) text += u'\t';
    }
    text += QStringLiteral("\r\n");
  }
  PutText(text);
  auto g = PlainGrid(2, 2);
  QElapsedTimer t;
  t.start();
  int cols = 0, rows = 0;
  EXPECT_EQ(g->PasteFromClipboardAt(0, 0, cols, rows), 1'000'001);
  EXPECT_LT(t.elapsed(), 20000);
  EXPECT_EQ(cols, 10);
  EXPECT_EQ(rows, 100000);
  EXPECT_EQ(g->RowCount(), 100000);
  EXPECT_EQ(g->Cells(9, 99999), "9");
}

TEST(GridClipboardBadData, BlockBeyondTheCapsIsRefusedBeforeAnythingChanges) {
  auto g = PlainGrid(2, 2);
  g->SetCells(0, 0, "keep");
  int cols = 0, rows = 0;
  const QString wide = QString("x\t").repeated(MaxLoadCols + 1);
  EXPECT_THROW(g->PasteTextBlock(0, 0, wide, cols, rows), EKitGridError);
  EXPECT_EQ(g->Cells(0, 0), "keep");
  EXPECT_EQ(g->ColCount(), 2);
}

TEST(GridClipboardBadData, DamagedGridCellsFallBackToTheText) {
  auto a = PlainGrid(2, 2);
  a->Navigation()->SetAllowFmtClipboard(true);
  a->SetCells(0, 0, "a");
  a->SetCells(1, 1, "b");
  a->SetSelection(TGridRect{0, 0, 1, 1});
  a->CopySelectionToClipboard();
  const QByteArray good = QGuiApplication::clipboard()->mimeData()->data(GridCellsMimeType());
  ASSERT_GT(good.size(), 40);

  struct Damage {
    const char* Name;
    QByteArray Bytes;
  };
  QByteArray hugeHeader = good;
  // The ColCount byte after its name: a header asking for a vast grid.
  const qsizetype at = hugeHeader.indexOf("ColCount") + 8;
  hugeHeader = hugeHeader.left(at) + QByteArray("\x04\xFF\xFF\xFF\x7F", 5) + hugeHeader.mid(at + 2);
  const std::vector<Damage> damages = {
      {"truncated", good.left(good.size() - 7)},
      {"cut inside the header", good.left(20)},
      {"not a grid stream", QByteArray("hello world, not cells")},
      {"empty", QByteArray()},
      {"huge header", hugeHeader},
  };
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.Name);
    for (bool withText : {true, false}) {
      PutData(GridCellsMimeType(), d.Bytes, withText ? QStringLiteral("t1\tt2") : QString());
      auto b = PlainGrid(3, 3);
      b->Navigation()->SetAllowFmtClipboard(true);
      b->SetCells(2, 2, "keep");
      int cols = 0, rows = 0;
      int n = -1;
      try {
        n = b->PasteFromClipboardAt(0, 0, cols, rows);
      } catch (const EKitGridError&) {
        n = -2;  // a clear refusal of a header beyond the caps
      }
      EXPECT_EQ(b->Cells(2, 2), "keep");
      EXPECT_EQ(b->ColCount(), 3);
      if (n == -2) {
        EXPECT_EQ(std::string(d.Name), "huge header");
        continue;
      }
      if (withText) {
        EXPECT_EQ(n, 2);
        EXPECT_EQ(b->Cells(1, 0), "t2");
      } else {
        EXPECT_EQ(n, 0);
        EXPECT_EQ(b->Cells(0, 0), "");
      }
    }
  }
}

TEST(GridClipboardBadData, DamageInTheLastCellLeavesTheGridUntouched) {
  // The grid cells are checked record by record before the paste changes
  // anything: a bad value in the last cell of the stream stops the paste
  // before the first cell lands.
  auto a = PlainGrid(3, 3);
  a->Navigation()->SetAllowFmtClipboard(true);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) a->SetCells(c, r, QStringLiteral("n%1%2").arg(c).arg(r));
  a->SetAlignments(2, 2, taRightJustify);
  a->SetFontColors(2, 2, clNavy);
  a->SetSelection(TGridRect{0, 0, 2, 2});
  a->CopySelectionToClipboard();
  const QByteArray good = QGuiApplication::clipboard()->mimeData()->data(GridCellsMimeType());

  struct Damage {
    const char* Name;
    QByteArray From, To;  // the last occurrence of From becomes To
  };
  const std::vector<Damage> damages = {
      {"unknown alignment", "taRightJustify", "taRightJustifX"},
      {"unknown colour", "clNavy", "clNavX"},
      {"unknown property", "WordWrap", "WordWarp"},
      {"unknown record", "TGridCellPropIO", "TGridCellPropIX"},
  };
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.Name);
    QByteArray bytes = good;
    const qsizetype at = bytes.lastIndexOf(d.From);
    ASSERT_GT(at, bytes.lastIndexOf("TGridCellIO"));  // in the last cell's records
    bytes.replace(at, d.From.size(), d.To);

    auto b = PlainGrid(3, 3);
    b->Navigation()->SetAllowFmtClipboard(true);
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) b->SetCells(c, r, "keep");
    TBytesStream bad(bytes);
    EXPECT_THROW(b->CheckBinStream(&bad), EReadError);
    PutData(GridCellsMimeType(), bytes);
    int cols = 0, rows = 0;
    EXPECT_EQ(b->PasteFromClipboardAt(0, 0, cols, rows), 0);
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) EXPECT_EQ(b->Cells(c, r), "keep") << c << "," << r;
    EXPECT_EQ(b->Alignments(2, 2), taLeftJustify);

    // The sound stream passes the check without a change to the grid, and
    // then pastes whole.
    TBytesStream sound(good);
    EXPECT_NO_THROW(b->CheckBinStream(&sound));
    EXPECT_EQ(b->Cells(0, 0), "keep");
    PutData(GridCellsMimeType(), good);
    EXPECT_EQ(b->PasteFromClipboardAt(0, 0, cols, rows), 9);
    EXPECT_EQ(b->Cells(2, 2), "n22");
    EXPECT_EQ(b->Alignments(2, 2), taRightJustify);
  }
}

TEST(GridClipboardBadData, TextBlockParsingIsTotal) {
  // Odd mixes of quotes, tabs and breaks parse without losing a character
  // that is not part of a quoting.
  for (const QString& t : {QString("\""), QString("\"\""), QString("\"\n"), QString("\t\t\r\n\r\n"),
                           QString("a\"b\"\nc"), QString("\"a\nb\"x\tc")}) {
    const TTextBlock b = ParseTextBlock(t);
    EXPECT_FALSE(b.Lines.empty()) << t.toStdString();
    int cols = 0, rows = 0;
    GetTextBlockSize(t, cols, rows);
    EXPECT_GE(rows, 0);
  }
}

TEST(GridClipboardDrop, TextBlockSizeCountsNonEmptyLines) {
  struct SizeCase {
    QString Text;
    int Cols, Rows;
  };
  for (const SizeCase& c : std::vector<SizeCase>{{"a\tb\r\nc\td", 2, 1},
                                                 {"a\tb\r\nc\td\r\n", 2, 1},
                                                 {"a", 1, 0},
                                                 {"a\r\n\r\nb", 1, 1},
                                                 {"a\nb\nc\n", 1, 2}}) {
    int cols = 0, rows = 0;
    GetTextBlockSize(c.Text, cols, rows);
    EXPECT_EQ(cols, c.Cols) << c.Text.toStdString();
    EXPECT_EQ(rows, c.Rows) << c.Text.toStdString();
  }
}

}  // namespace
