// The grid's print engine without a printer: previews and drawings onto
// image canvases (page counts, the page a preview shows, pictures of a
// preview page, merged cells, cell colours), the page-number and header
// events, the measuring helpers, and bad input (no room on the page, empty
// display rectangles).

#include <gtest/gtest.h>

#include <QImage>
#include <functional>
#include <set>

#include "grid/model/KitGrid.h"
#include "platform/win32/Gdi.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/PixelProbes.h"
#include "tests/support/TestSupport.h"

using gridtest::NewGrid;

namespace {

// A white image and a canvas on it at 96 dpi.
struct TPreviewSurface {
  TPreviewSurface(int W, int H) : image(W, H, QImage::Format_ARGB32_Premultiplied) {
    image.fill(Qt::white);
    dc = CreateImageDC(&image, 96);
    canvas.SetHandle(dc);
  }
  ~TPreviewSurface() {
    canvas.SetHandle(nullptr);
    DeleteDC(dc);
  }
  QImage image;
  HDC dc;
  TCanvas canvas;
};

std::unique_ptr<TKitStringGrid> NumberedGrid(int Rows, int Cols) {
  auto g = NewGrid();
  g->SetColCount(Cols);
  g->SetRowCount(Rows + 1);
  g->SetFixedRows(1);
  g->SetFixedCols(0);
  for (int c = 0; c < Cols; ++c) {
    g->SetCells(c, 0, QStringLiteral("Head%1").arg(c));
    for (int r = 1; r <= Rows; ++r) g->SetCells(c, r, QStringLiteral("R%1C%2").arg(r).arg(c));
  }
  return g;
}

// The rows whose cells a preview draws (through the custom draw event).
std::set<int> RowsDrawn(TKitStringGrid& g, TCanvas* c, const TRect& r) {
  std::set<int> rows;
  g.OnCustomCellDraw = [&](TObject*, TCanvas*, int, int ARow, TGridDrawState, const TRect&, bool Printing) {
    EXPECT_TRUE(Printing);
    rows.insert(ARow);
  };
  g.PrintPreview(c, r);
  g.OnCustomCellDraw = nullptr;
  return rows;
}

TEST(GridPrintPreview, ThePreviewedPageIsTheOneAskedForAndTheCountCoversEveryRow) {
  auto g = NumberedGrid(120, 3);
  TPreviewSurface s(600, 800);
  const TRect area(20, 20, 580, 780);
  const std::set<int> first = RowsDrawn(*g, &s.canvas, area);
  const int pages = g->PrintNrOfPages();
  ASSERT_GT(pages, 2);
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(*first.begin(), 0);
  // Each page takes the rows after the previous one, and the last row lands
  // on the last page.
  int expectNext = *first.rbegin() + 1;
  for (int page = 2; page <= pages; ++page) {
    g->SetPreviewPage(page);
    const std::set<int> rows = RowsDrawn(*g, &s.canvas, area);
    ASSERT_FALSE(rows.empty()) << page;
    EXPECT_EQ(*rows.begin(), expectNext) << page;
    expectNext = *rows.rbegin() + 1;
  }
  EXPECT_EQ(expectNext, 121);
  g->SetPreviewPage(pages + 1);
  EXPECT_TRUE(RowsDrawn(*g, &s.canvas, area).empty());
  EXPECT_FALSE(g->IsPrintPreview());
  // The canvas is back in its own mapping.
  EXPECT_EQ(GetMapMode(s.dc), MM_TEXT);
}

TEST(GridPrintPreview, APictureOfAPreviewPageShowsFramedCellsColoursAndTheFooter) {
  auto g = NumberedGrid(60, 4);
  g->SetColors(1, 3, 0x00FFFF);  // yellow (BGR)
  g->MergeCells(2, 5, 1, 3);     // one column, three rows
  g->SetCells(2, 5, "Merged area");
  g->PrintSettings()->SetPageNr(TPrintPosition::ppBottomRight);
  g->PrintSettings()->SetPagePrefix("Page");
  g->PrintSettings()->SetTitle(TPrintPosition::ppTopCenter);
  g->PrintSettings()->SetTitleText("Preview of the leads");
  g->PrintSettings()->SetBorders(TPrintBorders::pbSingle);
  g->PrintSettings()->SetBorderColor(0x000080);  // dark red
  TPreviewSurface s(700, 900);
  g->PrintPreview(&s.canvas, TRect(0, 0, 700, 900));
  const QString png = testsupport::TestOutputFolder() + "/grid-print-preview.png";
  ASSERT_TRUE(s.image.save(png));

  // Yellow background of one cell; dark-red cell lines; black text.
  const QRect yellow = probe::Box(s.image, probe::NearTo(qRgb(255, 255, 0), 10));
  ASSERT_FALSE(yellow.isEmpty());
  EXPECT_GT(yellow.width(), 40);
  EXPECT_GT(probe::Count(s.image, probe::NearTo(qRgb(128, 0, 0), 40)), 500);
  EXPECT_GT(probe::Count(s.image, [](QRgb p) { return probe::Luminance(p) < 60; }), 500);
  // Ink in the bottom band: the page number of the footer.
  EXPECT_GT(probe::Count(
                s.image, [](QRgb p) { return probe::Luminance(p) < 100; }, QRect(350, 840, 350, 60)),
            10);
  // Ink in the top band: the title.
  EXPECT_GT(probe::Count(
                s.image, [](QRgb p) { return probe::Luminance(p) < 100; }, QRect(150, 0, 400, 40)),
            10);
}

TEST(GridPrintPreview, AMergedAreaPrintsAsOneCellWithoutInnerLines) {
  auto g = NewGrid();
  g->SetColCount(3);
  g->SetRowCount(5);
  g->SetFixedRows(0);
  g->SetFixedCols(0);
  for (int c = 0; c < 3; ++c)
    for (int r = 0; r < 5; ++r) g->SetCells(c, r, "x");
  g->MergeCells(1, 1, 1, 3);
  g->SetCells(1, 1, "");
  g->PrintSettings()->SetBorderColor(0x0000FF);  // red lines
  TPreviewSurface s(400, 300);
  g->PrintPreview(&s.canvas, TRect(0, 0, 400, 300));
  s.image.save(testsupport::TestOutputFolder() + "/grid-print-merged.png");
  const QRect lines = probe::Box(s.image, probe::NearTo(qRgb(255, 0, 0), 40));
  ASSERT_FALSE(lines.isEmpty());
  // Walk down the middle of column 1: red crossings mark row lines.
  const int x = (g->PrintColOffset(1) + g->PrintColOffset(2)) / 2;  // tenths of a millimetre
  const int px = int(x * 96 / 254.0);
  int crossings = 0;
  bool in = false;
  for (int y = lines.top(); y <= lines.bottom(); ++y) {
    const bool red = probe::Near(s.image.pixel(px, y), qRgb(255, 0, 0), 60);
    if (red && !in) ++crossings;
    in = red;
  }
  // Rows 0..4 with rows 1-3 merged in this column: lines at the top of
  // row 0, 1, 4 and the bottom of row 4.
  EXPECT_EQ(crossings, 4);
  // Column 0 keeps every row line.
  const int px0 = int((g->PrintColOffset(0) + g->PrintColOffset(1)) / 2 * 96 / 254.0);
  crossings = 0;
  in = false;
  for (int y = lines.top(); y <= lines.bottom(); ++y) {
    const bool red = probe::Near(s.image.pixel(px0, y), qRgb(255, 0, 0), 60);
    if (red && !in) ++crossings;
    in = red;
  }
  EXPECT_EQ(crossings, 6);
}

TEST(GridPrintPreview, CellGraphicsPrintOnlyWithPrintGraphics) {
  struct Case {
    const char* Name;
    std::function<void(TKitStringGrid&)> Set;
    QRgb Colour;
    bool NeedsGraphics;
  };
  TBitmap red;
  red.SetSize(12, 12);
  red.Canvas()->Brush()->SetColor(0x0000FF);
  red.Canvas()->FillRect(TRect(0, 0, 12, 12));
  const std::vector<Case> cases = {
      {"bitmap", [&](TKitStringGrid& g) { g.CreateCellGraphic(1, 2)->SetBitmap(&red, false, haLeft, vaTop); },
       qRgb(255, 0, 0), true},
      {"progress bar",
       [](TKitStringGrid& g) {
         TCellGraphic* gr = g.CreateCellGraphic(1, 2);
         gr->SetCellType(ctProgress);
         gr->SetCellBitmapColor(0x00C000);  // green
         g.SetCells(1, 2, "60");
       },
       qRgb(0, 192, 0), true},
      {"comment marker",
       [](TKitStringGrid& g) {
         TCellGraphic* gr = g.CreateCellGraphic(1, 2);
         gr->SetCellType(ctNone);
         gr->SetCellComment("note");
       },
       qRgb(255, 0, 0), true},
  };
  for (const Case& c : cases) {
    for (bool graphics : {false, true}) {
      auto g = NumberedGrid(4, 3);
      c.Set(*g);
      g->PrintSettings()->SetPrintGraphics(graphics);
      TPreviewSurface s(500, 400);
      g->PrintPreview(&s.canvas, TRect(0, 0, 500, 400));
      const int n = probe::Count(s.image, probe::NearTo(c.Colour, 30));
      if (graphics) EXPECT_GT(n, 15) << c.Name;
      else EXPECT_EQ(n, 0) << c.Name;
    }
  }
  // All three in one grid, for a look.
  auto g = NumberedGrid(4, 3);
  g->CreateCellGraphic(0, 1)->SetBitmap(&red, false, haLeft, vaTop);
  TCellGraphic* bar = g->CreateCellGraphic(1, 2);
  bar->SetCellType(ctProgress);
  bar->SetCellBitmapColor(0x00C000);
  g->SetCells(1, 2, "60");
  TCellGraphic* note = g->CreateCellGraphic(2, 3);
  note->SetCellType(ctNone);
  note->SetCellComment("note");
  g->PrintSettings()->SetPrintGraphics(true);
  TPreviewSurface s(500, 300);
  g->PrintPreview(&s.canvas, TRect(0, 0, 500, 300));
  EXPECT_TRUE(s.image.save(testsupport::TestOutputFolder() + "/grid-print-graphics.png"));
}

// A cell object that draws itself: a magenta box of 30 x 12 pixels.
class TMagentaCell : public TPersistent, public IGridCell {
 public:
  void Draw(TCanvas* Canvas, const TRect& R, TKitStringGrid*, bool, int, int) override {
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(clFuchsia);
    Canvas->FillRect(R);
  }
  int GetWidth() override { return 30; }
  int GetHeight() override { return 12; }
  bool PaintsBeforeText() override { return true; }
};

TEST(GridPrintPreview, NodesRadioGroupsImagesButtonsObjectsAndShapesPrint) {
  TImageList images(nullptr);
  images.SetSize(12, 12);
  TBitmap orange(12, 12);
  orange.Canvas()->Brush()->SetColor(0x00A5FF);
  orange.Canvas()->FillRect(TRect(0, 0, 12, 12));
  images.Add(&orange, nullptr);
  TMagentaCell object;
  TStringList items;
  items.Add("one");
  items.Add("two");
  struct Case {
    const char* Name;
    std::function<void(TKitStringGrid&)> Set;
    QRgb Colour;  // 0: any change of the cell's pixels counts
    int Min;
  };
  const std::vector<Case> cases = {
      {"expanded node",
       [](TKitStringGrid& g) {
         g.CellNode()->SetNodeColor(0xFF0000);  // blue
         g.AddNode(2, 2);
       },
       qRgb(0, 0, 255), 15},
      {"radio group",
       [&](TKitStringGrid& g) {
         g.SetCells(1, 2, QString());
         g.SetFontColors(1, 2, clFuchsia);  // the items' labels
         g.AddRadio(1, 2, 0, 1, &items);
       },
       qRgb(255, 0, 255), 5},
      {"images",
       [&](TKitStringGrid& g) {
         g.SetGridImages(&images);
         g.AddMultiImage(1, 2, 1, haLeft, vaTop);
         g.CellImages(1, 2)->Add(0);
         g.CellImages(1, 2)->Add(0);
       },
       qRgb(255, 165, 0), 40},
      {"button", [](TKitStringGrid& g) { g.AddButton(1, 2, 60, 18, "Go", haLeft, vaTop); }, 0, 100},
      {"object", [&](TKitStringGrid& g) { g.AddInterfacedCell(1, 2, &object); }, qRgb(255, 0, 255), 60},
      {"shape", [](TKitStringGrid& g) { g.AddShape(1, 2, csCircle, 0xFF0000, clNavy, haLeft, vaTop); },
       qRgb(0, 0, 255), 15},
  };
  auto preview = [](TKitStringGrid& g, bool graphics) {
    g.PrintSettings()->SetPrintGraphics(graphics);
    TPreviewSurface s(500, 400);
    g.PrintPreview(&s.canvas, TRect(0, 0, 500, 400));
    return s.image.copy();
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    auto g = NumberedGrid(4, 3);
    c.Set(*g);
    const QImage on = preview(*g, true), off = preview(*g, false);
    if (c.Colour != 0) {
      EXPECT_GE(probe::Count(on, probe::NearTo(c.Colour, 40)), c.Min);
      EXPECT_EQ(probe::Count(off, probe::NearTo(c.Colour, 40)), 0);
    } else {
      int changed = 0;
      for (int y = 0; y < on.height(); ++y)
        for (int x = 0; x < on.width(); ++x) changed += on.pixel(x, y) != off.pixel(x, y);
      EXPECT_GE(changed, c.Min);
    }
  }
  // A contracted node adds the plus sign's bar to the minus.
  auto g = NumberedGrid(4, 3);
  g->CellNode()->SetNodeColor(0xFF0000);
  g->AddNode(2, 2);
  const int expanded = probe::Count(preview(*g, true), probe::NearTo(qRgb(0, 0, 255), 40));
  g->CellGraphics(0, 2)->SetCellBoolean(true);
  EXPECT_GT(probe::Count(preview(*g, true), probe::NearTo(qRgb(0, 0, 255), 40)), expanded);

  // All of them on one page, for a look.
  auto all = NumberedGrid(6, 3);
  all->SetColWidths(1, 120);
  all->CellNode()->SetNodeColor(0xFF0000);
  all->AddNode(1, 2);
  all->CellGraphics(0, 1)->SetCellBoolean(true);
  all->AddNode(4, 1);
  all->SetCells(1, 1, QString());
  all->SetFontColors(1, 1, clFuchsia);
  all->AddRadio(1, 1, 1, 1, &items);
  all->SetGridImages(&images);
  all->AddMultiImage(1, 2, 1, haLeft, vaTop);
  all->CellImages(1, 2)->Add(0);
  all->CellImages(1, 2)->Add(0);
  all->AddButton(1, 3, 60, 18, "Go", haLeft, vaTop);
  all->AddInterfacedCell(1, 4, &object);
  all->AddShape(1, 5, csCircle, 0xFF0000, clNavy, haLeft, vaTop);
  all->AddShape(2, 5, csTriangleUp, 0x00C000, clGreen, haLeft, vaTop);
  all->SetRowHeights(1, 40);
  all->PrintSettings()->SetPrintGraphics(true);
  TPreviewSurface s(500, 400);
  all->PrintPreview(&s.canvas, TRect(0, 0, 500, 400));
  EXPECT_TRUE(s.image.save(testsupport::TestOutputFolder() + "/grid-print-graphic-kinds.png"));
}

TEST(GridPrintPreview, RichTextPrintsWithItsFormatting) {
  auto g = NumberedGrid(4, 3);
  g->SetColWidths(1, 160);
  g->SetRowHeights(2, 40);
  g->SetCells(1, 2,
              "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red220\\green0\\blue0;}"
              "\\f0\\fs20 small \\cf1\\fs40\\b Large red\\par}");
  TPreviewSurface s(500, 400);
  g->PrintPreview(&s.canvas, TRect(0, 0, 500, 400));
  EXPECT_TRUE(s.image.save(testsupport::TestOutputFolder() + "/grid-print-rich-text.png"));
  // The coloured run in its colour, and taller than the cell texts around.
  const QRect red = probe::Box(s.image, probe::NearTo(qRgb(220, 0, 0), 60));
  ASSERT_FALSE(red.isEmpty());
  EXPECT_GT(probe::Count(s.image, probe::NearTo(qRgb(220, 0, 0), 60)), 40);
  // The black "small" run stands just left of the red run, on its line
  // (the column's border line lies further left).
  const QRect small = probe::Box(
      s.image, [](QRgb p) { return qRed(p) < 90 && qGreen(p) < 90 && qBlue(p) < 90; },
      QRect(red.left() - 28, red.top(), 26, red.height() + 4));
  ASSERT_FALSE(small.isEmpty());
  EXPECT_GT(red.height(), small.height() * 3 / 2);
}

TEST(GridPrintPreview, SelectedRowsOnlyPrintThoseRowsAndTheFixedOnesWhenAsked) {
  auto g = NumberedGrid(12, 3);
  g->MouseActions()->SetDisjunctRowSelect(true);
  for (int r : {3, 7, 9}) g->SetRowSelect(r, true);
  TPreviewSurface s(600, 800);
  std::set<int> rows;
  g->OnCustomCellDraw = [&](TObject*, TCanvas*, int, int ARow, TGridDrawState, const TRect&, bool) {
    rows.insert(ARow);
  };
  g->PrintPreviewSelectedRows(&s.canvas, TRect(0, 0, 600, 800));
  EXPECT_EQ(rows, (std::set<int>{3, 7, 9}));
  rows.clear();
  g->PrintSettings()->SetFixedCellsAlways(true);
  g->PrintPreviewSelectedRows(&s.canvas, TRect(0, 0, 600, 800));
  EXPECT_EQ(rows, (std::set<int>{0, 3, 7, 9}));
  // The whole grid again without the selection rule.
  rows.clear();
  g->PrintPreview(&s.canvas, TRect(0, 0, 600, 800));
  EXPECT_EQ(rows.size(), 13u);
}

TEST(GridPrintPreview, PrintDrawPutsTheFirstPageOntoACanvas) {
  auto g = NumberedGrid(200, 3);
  TPreviewSurface s(400, 300);
  std::set<int> rows;
  g->OnCustomCellDraw = [&](TObject*, TCanvas*, int, int ARow, TGridDrawState, const TRect&, bool) {
    rows.insert(ARow);
  };
  g->PrintDraw(&s.canvas, TRect(0, 0, 400, 300));
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(*rows.begin(), 0);
  EXPECT_LT(*rows.rbegin(), 40);  // one page of a 300-pixel-high canvas
  EXPECT_EQ(g->PrintNrOfPages(), 1);
  EXPECT_GT(probe::Count(s.image, [](QRgb p) { return probe::Luminance(p) < 100; }), 100);
  EXPECT_EQ(GetMapMode(s.dc), MM_TEXT);
}

TEST(GridPrintEvents, PageNumbersFollowOffsetsSeparatorsBandsAndFastPrint) {
  struct Case {
    const char* Name;
    int Cols;
    QString Sep;
    int NumberOffset, TotalOffset;
    bool Fast;
    QStringList Expected;  // the page-number texts of the first pages
  };
  const std::vector<Case> cases = {
      {"plain", 2, "/", 0, 0, false, {"1/3", "2/3", "3/3"}},
      {"offsets", 2, "/", 10, 10, false, {"11/13", "12/13"}},
      {"no separator", 2, "", 0, 0, false, {"1", "2"}},
      // A preview without its count takes one page as the total.
      {"fast print: no count", 2, "/", 0, 0, true, {"1", "2"}},
      {"bands", 16, "/", 0, 0, false, {"1-1", "2-1", "3-1", "1-2"}},
  };
  for (const Case& c : cases) {
    auto g = NumberedGrid(120, c.Cols);
    if (c.Cols > 2)
      for (int k = 0; k < c.Cols; ++k) g->SetCells(k, 1, QStringLiteral("Wide column text %1 ......").arg(k));
    TPrintSettings* ps = g->PrintSettings();
    ps->SetPageNr(TPrintPosition::ppBottomCenter);
    ps->SetPageNumSep(c.Sep);
    ps->SetPageNumberOffset(c.NumberOffset);
    ps->SetMaxPagesOffset(c.TotalOffset);
    g->SetFastPrint(c.Fast);
    QStringList seen;
    g->OnPrintGetPageNum = [&](TObject*, int, int, QString& Text) { seen << Text; };
    TPreviewSurface s(600, 800);
    const int wanted = int(c.Expected.size());
    for (int page = 1; page <= wanted; ++page) {
      g->SetPreviewPage(page);
      g->PrintPreview(&s.canvas, TRect(0, 0, 600, 800));
    }
    if (!c.Fast) ASSERT_EQ(g->PrintNrOfPages(), c.Cols > 2 ? g->PrintNrOfPages() : 3) << c.Name;
    EXPECT_EQ(seen, c.Expected) << c.Name;
  }
}

TEST(GridPrintEvents, CancelStopsAfterThePageAndTheStartEventChoosesThePages) {
  auto g = NumberedGrid(120, 2);
  TPreviewSurface s(600, 800);
  g->OnPrintCancel = [](TObject*, int PageNr, bool& Cancel) { Cancel = PageNr == 2; };
  g->PrintPreview(&s.canvas, TRect(0, 0, 600, 800));
  EXPECT_EQ(g->PrintNrOfPages(), 2);
  g->OnPrintCancel = nullptr;
  std::vector<int> pagesStarted;
  g->OnPrintPage = [&](TObject*, TCanvas*, int PageNr, int W, int H) {
    EXPECT_GT(W, 0);
    EXPECT_GT(H, W);
    pagesStarted.push_back(PageNr);
  };
  int total = 0;
  g->OnPrintStart = [&](TObject*, int NrOfPages, int& From, int& To) {
    total = NrOfPages;
    From = 0;
    To = 0;
  };
  g->PrintPreview(&s.canvas, TRect(0, 0, 600, 800));
  EXPECT_EQ(total, 3);
  EXPECT_TRUE(pagesStarted.empty());  // an empty range draws nothing
}

TEST(GridPrintEvents, RowHeightsAndColumnWidthsCanBeSetAndShapeThePages) {
  auto g = NumberedGrid(40, 3);
  TPreviewSurface s(600, 800);
  g->PrintPreview(&s.canvas, TRect(0, 0, 600, 800));
  const int natural = g->PrintNrOfPages();
  g->OnPrintSetRowHeight = [](TObject*, int, int& Height) { Height = 300; };  // 3 cm a row
  g->OnPrintSetColumnWidth = [](TObject*, int ACol, int& Width) { Width = ACol == 1 ? 700 : Width; };
  g->PrintPreview(&s.canvas, TRect(0, 0, 600, 800));
  EXPECT_GT(g->PrintNrOfPages(), natural * 3);
  EXPECT_EQ(g->PrintColWidth(1), 700);
  EXPECT_EQ(g->PrintColOffset(2) - g->PrintColOffset(1), 700 + 20);  // width plus the spacing
}

TEST(GridPrintBadInput, NoRoomOnThePageLaysOutNothing) {
  struct Case {
    const char* Name;
    TRect Display;
    int Left, Right, Header, Footer;
  };
  const std::vector<Case> cases = {
      {"zero-size display", TRect(10, 10, 10, 10), 0, 0, 0, 0},
      {"inverted display", TRect(100, 100, 10, 10), 0, 0, 0, 0},
      {"margins wider than the page", TRect(0, 0, 600, 800), 1000, 1000, 0, 0},
      {"header and footer taller than the page", TRect(0, 0, 600, 800), 0, 0, 1500, 1500},
  };
  for (const Case& c : cases) {
    auto g = NumberedGrid(500, 3);
    g->PrintSettings()->SetLeftSize(c.Left);
    g->PrintSettings()->SetRightSize(c.Right);
    g->PrintSettings()->SetHeaderSize(c.Header);
    g->PrintSettings()->SetFooterSize(c.Footer);
    TPreviewSurface s(600, 800);
    int drawn = 0;
    g->OnCustomCellDraw = [&](TObject*, TCanvas*, int, int, TGridDrawState, const TRect&, bool) { ++drawn; };
    EXPECT_NO_THROW(g->PrintPreview(&s.canvas, c.Display)) << c.Name;
    EXPECT_EQ(g->PrintNrOfPages(), 0) << c.Name;
    EXPECT_EQ(drawn, 0) << c.Name;
    EXPECT_EQ(probe::Count(s.image, probe::NotRgb(qRgb(255, 255, 255))), 0) << c.Name;
  }
}

TEST(GridPrintBadInput, AColumnWiderThanThePageMakesABandOfItsOwn) {
  auto g = NumberedGrid(3, 3);
  g->SetCells(1, 1, QString(400, u'W'));
  TPreviewSurface s(600, 800);
  g->PrintPreview(&s.canvas, TRect(0, 0, 600, 800));
  EXPECT_EQ(g->PrintBandCount(), 3);
  EXPECT_EQ(g->PrintNrOfPages(), 3);
  EXPECT_GT(g->PrintColWidth(1), g->PrintPageRect().Right);
}

TEST(GridPrintHelpers, AngledTextStartsWhereTheQuadrantTableSays) {
  // Rect (100, 200, 300, 400); A = 10, B = 20, C = 30, D = 40.
  struct Case {
    int Angle;
    TAlignment H;
    TVAlignment V;
    int Left, Top;
  };
  const std::vector<Case> cases = {
      {45, taLeftJustify, vtaTop, 100, 220},
      {45, taRightJustify, vtaBottom, 230, 390},
      {45, taCenter, vtaCenter, 165, 200 + 20 - (20 + 200 + 10 - 400) / 2},
      {135, taLeftJustify, vtaTop, 140, 230},
      {135, taRightJustify, vtaBottom, 270, 400},
      {135, taCenter, vtaTop, 300 - (30 + 300 - 100 - 40) / 2, 230},
      {200, taLeftJustify, vtaTop, 170, 210},
      {200, taRightJustify, vtaBottom, 300, 380},
      {200, taCenter, vtaCenter, 300 - (300 - 100 - 30 - 40) / 2, 200 + 10 - (20 + 200 + 10 - 400) / 2},
      {300, taLeftJustify, vtaTop, 130, 200},
      {300, taRightJustify, vtaBottom, 260, 370},
      {300, taCenter, vtaCenter, 100 + (30 + 300 - 100 - 40) / 2, 200 - (20 + 200 + 10 - 400) / 2},
  };
  for (const Case& c : cases) {
    TRect r(100, 200, 300, 400);
    TKitStringGrid::AlignAngledTextRect(r, c.H, c.V, 10, 20, 30, 40, c.Angle);
    EXPECT_EQ(r.Left, c.Left) << c.Angle << " " << int(c.H) << " " << int(c.V);
    EXPECT_EQ(r.Top, c.Top) << c.Angle << " " << int(c.H) << " " << int(c.V);
    EXPECT_EQ(r.Right, 300);
    EXPECT_EQ(r.Bottom, 400);
  }
}

TEST(GridPrintHelpers, FontMappingJoiningAndOffsets) {
  auto g = NewGrid();
  EXPECT_EQ(g->MapFontHeight(10), -35);   // 10 pt = 3.53 mm
  EXPECT_EQ(g->MapFontHeight(72), -254);  // one inch
  EXPECT_EQ(g->MapFontSize(254), 72);
  EXPECT_EQ(g->MapFontSize(35), 9);
  EXPECT_EQ(TKitStringGrid::JoinWithBlank("", "b"), "b");
  EXPECT_EQ(TKitStringGrid::JoinWithBlank("a", ""), "a");
  EXPECT_EQ(TKitStringGrid::JoinWithBlank("a", "b"), "a b");
  g->SetXYOffset(TPoint(3, 5));
  g->SetXYOffsetTopLeftOnly(false);
  EXPECT_EQ(g->GetTextOffsetWidth(), 6);
  EXPECT_EQ(g->GetTextOffsetHeight(), 10);
  g->SetXYOffsetTopLeftOnly(true);
  EXPECT_EQ(g->GetTextOffsetHeight(), 5);
  g->SetColCount(3);
  g->SetCells(1, 1, "a\r\nb\r\nc");
  EXPECT_EQ(g->GetMaxLinesInRow(1), 1);
  g->SetMultilinecells(true);
  EXPECT_EQ(g->GetMaxLinesInRow(1), 3);
  EXPECT_EQ(g->GetPrinterOrientationCapability(), 90);
}

}  // namespace
