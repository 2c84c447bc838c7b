// The grid painted offscreen: the results grid's configuration (active row,
// bold active cell, selection, URL look, style colours), the look of cells
// in its order of precedence, the base paint step's lines, frames and merged
// areas, text measuring and column sizing.

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <functional>
#include <iterator>
#include <vector>

#include "foundation/KitMiniHTMLEngine.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridCellGraphic.h"
#include "grid/model/KitGridDraw.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Themes.h"
#include "tests/harness/Harness.h"
#include "tests/support/PixelProbes.h"
#include "tests/support/TestSupport.h"

namespace {

// A grid that counts its cell paints.
class TCountingGrid : public TKitStringGrid {
 public:
  using TKitStringGrid::TKitStringGrid;
  int Painted = 0;
  QStringList Cells;
  void DrawGridCell(TCanvas* Canvas, int ACol, int ARow, TRect ARect, TGridDrawState AState) override {
    ++Painted;
    Cells << QStringLiteral("%1,%2").arg(ACol).arg(ARow);
    TKitStringGrid::DrawGridCell(Canvas, ACol, ARow, ARect, AState);
  }
};

// A form with one grid at (0, 0), 500 x 300, no border, no scroll bars:
// columns 80 wide, rows 22 high, no fixed cells, the results grid's look.
class GridPaintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(10, 10, 600, 400);
    Grid = Create<TCountingGrid>(Form.get());
    Grid->SetBounds(0, 0, 500, 300);
    Grid->SetBorderStyle(bsNone);
    Grid->SetScrollBars(ssNone);
    Grid->SetColCount(6);
    Grid->SetRowCount(20);
    Grid->SetFixedRows(0);
    Grid->SetFixedCols(0);
    Grid->SetDefaultColWidth(80);
    Grid->SetDefaultRowHeight(22);
    Grid->SetFlat(true);
    Grid->SetActiveRowShow(true);
    Grid->SetActiveRowColor(0xE0FFFF);
    Grid->SetActiveCellShow(true);
    Grid->ActiveCellFont()->SetStyle(TFontStyles{fsBold});
    Grid->SetURLShow(true);
    Grid->SetFormatType(ftExcel);
    Grid->SetOptions(Grid->Options() + TGridOptions{goEditing, goRangeSelect});
    Grid->SetParent(Form.get());
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
    Grid->Painted = 0;
    Grid->Cells.clear();
    Grid->WidgetIfAllocated()->repaint();
    return Grid->BackBuffer().copy();
  }
  // Writes the picture where TF_TEST_PICTURES points, for a person to look at.
  static void Keep(const QImage& Image, const QString& Name) {
    const QString dir = qEnvironmentVariable("TF_TEST_PICTURES");
    if (!dir.isEmpty()) Image.save(QDir(dir).filePath(Name));
  }
  // The most frequent colour of a cell's inner area (its background).
  static uint32_t Background(const QImage& Image, const TRect& R) {
    QHash<uint32_t, int> counts;
    for (int y = R.Top + 2; y < R.Bottom - 2; ++y)
      for (int x = R.Left + 2; x < R.Right - 2; ++x) ++counts[probe::BgrAt(Image, x, y)];
    uint32_t best = 0;
    int most = -1;
    for (auto it = counts.begin(); it != counts.end(); ++it)
      if (it.value() > most) {
        most = it.value();
        best = it.key();
      }
    return best;
  }

  std::unique_ptr<TForm> Form;
  TCountingGrid* Grid = nullptr;
};

}  // namespace

TEST_F(GridPaintTest, ResultsGridShowsActiveRowSelectionAndUrls) {
  for (int r = 0; r < 20; ++r)
    for (int c = 0; c < 6; ++c) Grid->SetCells(c, r, QStringLiteral("Cell %1 %2").arg(c).arg(r));
  Grid->SetCells(2, 3, QStringLiteral("https://www.example.com/a"));
  Grid->SetCells(3, 3, QStringLiteral("mailto:someone@example.com"));
  Grid->FocusCell(1, 3);
  const QImage img = Paint();
  Keep(img, QStringLiteral("results-grid.png"));

  // The current row in the active-row colour, its current cell in the
  // selection colour, other rows in the grid colour.
  EXPECT_EQ(Background(img, Grid->CellRect(0, 3)), 0xE0FFFFu);
  EXPECT_EQ(Background(img, Grid->CellRect(4, 3)), 0xE0FFFFu);
  EXPECT_EQ(Background(img, Grid->CellRect(1, 3)), uint32_t(Grid->SelectionColor()));
  EXPECT_EQ(Background(img, Grid->CellRect(0, 5)), uint32_t(ColorToRGB(Grid->Color())));
  // Grid lines between normal cells: the right column and the bottom row
  // of a cell.
  const TRect cell = Grid->CellRect(0, 5);
  EXPECT_EQ(probe::BgrAt(img, cell.Right - 1, cell.Top + 10), uint32_t(Grid->GridLineColor()));
  EXPECT_EQ(probe::BgrAt(img, cell.Left + 10, cell.Bottom - 1), uint32_t(Grid->GridLineColor()));

  // URLs in the URL colour, underlined, without their scheme.
  const TRect url = Grid->CellRect(2, 3);
  const int urlInk = probe::Count(img, probe::IsBgr(uint32_t(Grid->URLColor())), QRect(url.Left, url.Top, url.Width(), url.Height()));
  EXPECT_GT(urlInk, 20);
  // The underline: a run of URL colour at least 30 pixels long on one row.
  int longest = 0;
  for (int y = url.Top; y < url.Bottom; ++y) {
    int run = 0;
    for (int x = url.Left; x < url.Right; ++x) {
      run = probe::BgrAt(img, x, y) == uint32_t(Grid->URLColor()) ? run + 1 : 0;
      longest = std::max(longest, run);
    }
  }
  EXPECT_GE(longest, 30);
  const TRect mail = Grid->CellRect(3, 3);
  EXPECT_GT(probe::Count(img, probe::IsBgr(uint32_t(Grid->URLColor())),
                         QRect(mail.Left, mail.Top, mail.Width(), mail.Height())),
            20);
  // Plain text is drawn in the font colour, not as a link.
  const TRect plain = Grid->CellRect(4, 5);
  EXPECT_EQ(probe::Count(img, probe::IsBgr(uint32_t(Grid->URLColor())),
                         QRect(plain.Left, plain.Top, plain.Width(), plain.Height())),
            0);
  EXPECT_GT(probe::Count(img, [](QRgb p) { return probe::Luminance(p) < 80; },
                         QRect(plain.Left, plain.Top, plain.Width(), plain.Height())),
            10);

  // A selected URL takes the selection's text colour.
  Grid->SetSelectionTextColor(0x0000C0);
  Grid->SetSelection(TGridRect{1, 3, 2, 3});
  const QImage selected = Paint();
  EXPECT_EQ(Background(selected, url), uint32_t(Grid->SelectionColor()));
  EXPECT_GT(probe::Count(selected, probe::IsBgr(0x0000C0), QRect(url.Left, url.Top, url.Width(), url.Height())), 20);
  EXPECT_EQ(probe::Count(selected, probe::IsBgr(uint32_t(Grid->URLColor())),
                         QRect(url.Left, url.Top, url.Width(), url.Height())),
            0);
}

// A click on another row repaints both rows: the old row
// loses the active-row colour, the new one takes it (only the changed parts
// of the window are painted again, so a row left out stays stale).
TEST_F(GridPaintTest, ActiveRowColourFollowsTheCurrentRow) {
  for (int r = 0; r < 10; ++r)
    for (int c = 0; c < 6; ++c) Grid->SetCells(c, r, QStringLiteral("Cell %1 %2").arg(c).arg(r));
  Grid->FocusCell(1, 3);
  Paint();
  // A click, as the user moves there.
  const TRect target = Grid->CellRect(2, 6);
  vcltest::Click(Grid, target.Left + 10, target.Top + 10);
  vcltest::Pump();
  ASSERT_EQ(Grid->Row(), 6);
  const QImage img = Grid->BackBuffer().copy();
  const uint32_t plain = uint32_t(ColorToRGB(Grid->Color()));
  for (int c : {0, 4, 5}) {
    SCOPED_TRACE(c);
    EXPECT_EQ(Background(img, Grid->CellRect(c, 3)), plain) << "the old row keeps the active-row colour";
    EXPECT_EQ(Background(img, Grid->CellRect(c, 6)), 0xE0FFFFu) << "the new row is not in the active-row colour";
  }
  EXPECT_EQ(Background(img, Grid->CellRect(2, 6)), uint32_t(Grid->SelectionColor()));
  // The text lies on the row's colour: no box of another ground behind it.
  const TRect text = Grid->CellRect(0, 6);
  EXPECT_GT(probe::Count(img, [](QRgb p) { return probe::Luminance(p) < 80; }, QRect(text.Left, text.Top, text.Width(), text.Height())), 10);
  EXPECT_EQ(probe::Count(img, probe::IsBgr(plain), QRect(text.Left + 1, text.Top + 1, text.Width() - 3, text.Height() - 3)), 0)
      << "the text is drawn on an opaque box of the grid colour";
}

TEST_F(GridPaintTest, ActiveCellHeadersAreBoldAndColoured) {
  Grid->SetFixedRows(1);
  Grid->SetFixedCols(1);
  for (int c = 0; c < 6; ++c) Grid->SetCells(c, 0, QStringLiteral("Header"));
  for (int r = 0; r < 20; ++r) Grid->SetCells(0, r, QStringLiteral("Header"));
  Grid->SetActiveCellColor(0x80FF80);
  Grid->FixedFont()->SetStyle(TFontStyles());
  Grid->FocusCell(3, 4);
  const QImage img = Paint();
  Keep(img, QStringLiteral("active-cell-headers.png"));
  // The header of the current column and of the current row: the active
  // cell colour and a bold font (more ink than a plain header).
  const TRect colHeader = Grid->CellRect(3, 0);
  const TRect otherHeader = Grid->CellRect(2, 0);
  const TRect rowHeader = Grid->CellRect(0, 4);
  EXPECT_EQ(Background(img, colHeader), 0x80FF80u);
  EXPECT_EQ(Background(img, rowHeader), 0x80FF80u);
  EXPECT_NE(Background(img, otherHeader), 0x80FF80u);
  auto ink = [&](const TRect& R) {
    return probe::Count(img, [](QRgb p) { return probe::Luminance(p) < 90; },
                        QRect(R.Left + 2, R.Top + 2, R.Width() - 4, R.Height() - 4));
  };
  EXPECT_GT(ink(colHeader), ink(otherHeader) + 5) << "bold header";
}

TEST_F(GridPaintTest, StyleColoursComeFromTheActiveStyle) {
  for (int r = 0; r < 20; ++r) Grid->SetCells(0, r, QStringLiteral("x"));
  TStyleManager::SetStyle(QStringLiteral("Amethyst Kamri"));
  Grid->ApplyStyleColors(true);
  TColor fill = clNone, line = clNone;
  const TCustomStyleServices& style = TStyleManager::ActiveStyle();
  style.GetElementColor(TCustomStyleServices::GetElementDetails(tgCellNormal), ecFillColor, fill);
  style.GetElementColor(TCustomStyleServices::GetElementDetails(tgCellNormal), ecBorderColor, line);
  ASSERT_NE(fill, clNone);
  EXPECT_EQ(Grid->Color(), fill);
  EXPECT_EQ(Grid->GridLineColor(), line);
  EXPECT_TRUE(Grid->GetUseKWFStyles());
  EXPECT_FALSE(Grid->Options().Contains(goFixedHorzLine));
  Grid->FocusCell(2, 2);
  const QImage img = Paint();
  Keep(img, QStringLiteral("amethyst-kamri-grid.png"));
  EXPECT_EQ(Background(img, Grid->CellRect(1, 8)), uint32_t(fill));
  const TRect cell = Grid->CellRect(1, 8);
  EXPECT_EQ(probe::BgrAt(img, cell.Right - 1, cell.Top + 5), uint32_t(line));
  // The current cell is painted as the style's selected cell, not in the
  // grid's selection colour.
  EXPECT_NE(Background(img, Grid->CellRect(2, 2)), uint32_t(fill));

  // Back to the system style: the plain colours return.
  TStyleManager::SetStyle(QStringLiteral("Windows"));
  Grid->ApplyStyleColors(true);
  EXPECT_EQ(Grid->Color(), clWindow);
  EXPECT_EQ(Grid->GridLineColor(), 0xC0C0C0);
  EXPECT_EQ(Grid->GridFixedLineColor(), 0x808080);
  EXPECT_TRUE(Grid->Options().Contains(goFixedHorzLine));
}

TEST_F(GridPaintTest, LineWidthsAndSelectionFrames) {
  // Width 1: the right line at x = Right - 1 from the top to the bottom,
  // the bottom line at y = Bottom - 1 from the left neighbour's line on.
  Grid->SetGridLineColor(0x0000FF);
  QImage img = Paint();
  TRect r = Grid->CellRect(1, 6);
  EXPECT_EQ(probe::Count(img, probe::IsBgr(0x0000FF), QRect(r.Right - 1, r.Top, 1, r.Height())), r.Height());
  EXPECT_EQ(probe::Count(img, probe::IsBgr(0x0000FF), QRect(r.Left - 1, r.Bottom - 1, r.Width(), 1)), r.Width());
  EXPECT_NE(probe::BgrAt(img, r.Right - 2, r.Top + 8), 0x0000FFu);
  // Width 2: the lines lie along x = Right - 1 (h = 1) and the content
  // loses 2 pixels on every side.
  Grid->SetGridLineWidth(2);
  img = Paint();
  EXPECT_EQ(probe::BgrAt(img, r.Right - 1, r.Top + 8), 0x0000FFu);
  EXPECT_EQ(probe::BgrAt(img, r.Right - 2, r.Top + 8), 0x0000FFu);
  EXPECT_NE(probe::BgrAt(img, r.Right - 3, r.Top + 8), 0x0000FFu);
  // Width 0: no lines between normal cells.
  Grid->SetGridLineWidth(0);
  img = Paint();
  EXPECT_EQ(probe::Count(img, probe::IsBgr(0x0000FF)), 0);

  // A selection frame of the Vista style in a grid without focus is grey.
  Grid->SetGridLineWidth(1);
  Grid->SetSelectionStyle(ssVista);
  Grid->SetSelection(TGridRect{1, 6, 3, 6});
  Grid->SetActiveRowShow(false);
  // Another control takes the focus.
  auto* other = Create<TKitStringGrid>(Form.get());
  other->SetBounds(510, 0, 80, 80);
  other->SetParent(Form.get());
  other->SetFocus();
  vcltest::Pump();
  ASSERT_FALSE(Grid->Focused());
  img = Paint();
  Keep(img, QStringLiteral("vista-frame-unfocused.png"));
  r = Grid->CellRect(2, 6);
  EXPECT_EQ(probe::BgrAt(img, r.Left + 20, r.Top), 0xD9D9D9u) << "the grey outline";
  // The grey fill runs from 0xF8F8F8 at the top to 0xE5E5E5.
  EXPECT_EQ(probe::BgrAt(img, r.Left + 20, r.Top + 2), 0xF8F8F8u);
  const QRgb mid = img.pixel(r.Left + 20, r.Top + 10);
  EXPECT_TRUE(qRed(mid) == qGreen(mid) && qGreen(mid) == qBlue(mid) && qRed(mid) > 0xE5 && qRed(mid) < 0xF8);
  // The left end has its rounded left edge, the middle part none.
  const TRect left = Grid->CellRect(1, 6);
  EXPECT_EQ(probe::BgrAt(img, left.Left, left.Top + 10), 0xD9D9D9u);
  EXPECT_NE(probe::BgrAt(img, r.Left, r.Top + 10), 0xD9D9D9u);
  // Focused: the Vista blue.
  Grid->SetFocus();
  vcltest::Pump();
  img = Paint();
  EXPECT_EQ(probe::BgrAt(img, r.Left + 20, r.Top), 0xFDDE99u);
}

TEST_F(GridPaintTest, MergedAreaIsPaintedOncePerPass) {
  Grid->MergeCells(1, 1, 3, 2);
  Grid->SetCells(1, 1, QStringLiteral("merged"));
  Grid->SetColors(1, 1, 0x00C0FF);
  Grid->FocusCell(5, 10);
  const QImage img = Paint();
  EXPECT_EQ(Grid->Cells.count(QStringLiteral("1,1")), 1) << Grid->Cells.join(u' ').toStdString();
  // Covered cells are not painted on their own.
  EXPECT_EQ(Grid->Cells.count(QStringLiteral("2,1")), 0);
  EXPECT_EQ(Grid->Cells.count(QStringLiteral("3,2")), 0);
  // The whole area has the base cell's colour.
  const TRect area = Grid->CellRect(1, 1);
  EXPECT_EQ(area.Width(), 240);
  EXPECT_EQ(probe::BgrAt(img, area.Left + 200, area.Top + 30), 0x00C0FFu);
  // Scrolled so only covered cells are in view: the area is still painted
  // once.
  Grid->SetTopRow(2);
  Paint();
  EXPECT_EQ(Grid->Painted, Grid->Cells.size());
  EXPECT_EQ(Grid->Cells.count(QStringLiteral("1,1")), 1);
}

TEST_F(GridPaintTest, HiddenLastRowAndSuppressedRows) {
  Grid->SetRowCount(5);
  for (int c = 0; c < 6; ++c) Grid->SetCells(c, 4, QStringLiteral("last"));
  Grid->SetHideLastRow(true);
  Grid->SetRowHeights(2, 0);
  Paint();
  EXPECT_FALSE(Grid->Cells.contains(QStringLiteral("0,4")));
  EXPECT_FALSE(Grid->Cells.contains(QStringLiteral("0,2")));
  EXPECT_TRUE(Grid->Cells.contains(QStringLiteral("0,3")));
}

// ---------------------------------------------------------------------------
// Precedence of the visual properties

class GridLookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Grid = CreateUnique<TKitStringGrid>(nullptr);
    Grid->SetColCount(5);
    Grid->SetRowCount(8);
  }
  struct TLook {
    TColor Brush;
    TColor Font;
    TGridDrawState State;
  };
  TLook Look(int c, int r, TGridDrawState State = {}, bool Select = false) {
    TBrush brush;
    TFont font;
    TColor to, mirror, mirrorTo;
    TAlignment ha;
    TVAlignment va;
    bool ww = false;
    TCellGradientDirection gd = GradientVertical;
    Grid->GetVisualProperties(c, r, State, false, Select, true, &brush, to, mirror, mirrorTo, &font, ha, va, ww, gd);
    return {brush.Color(), font.Color(), State};
  }
  std::unique_ptr<TKitStringGrid> Grid;
};

TEST_F(GridLookTest, OwnColoursBandsFixedAndSelection) {
  Grid->SetColor(0xFFFFFF);
  Grid->Bands()->SetActive(true);
  Grid->Bands()->SetPrimaryColor(0x00FFFF);
  Grid->Bands()->SetSecondaryColor(0xFF00FF);
  Grid->Bands()->SetPrimaryLength(1);
  Grid->Bands()->SetSecondaryLength(1);
  // Rows alternate from the first normal row; a cell with its own colour
  // keeps it.
  EXPECT_EQ(Look(2, 1).Brush, 0x00FFFF);
  EXPECT_EQ(Look(2, 2).Brush, 0xFF00FF);
  Grid->SetColors(2, 2, 0x123456);
  EXPECT_EQ(Look(2, 2).Brush, 0x123456);
  // A check box without a colour of its own shows the band.
  Grid->CreateCellGraphic(3, 2)->SetCheckBox(true, false, false, haLeft, vaTop);
  EXPECT_EQ(Look(3, 2).Brush, 0xFF00FF);
  // Fixed cells: FixedColor and the fixed state; a plain cell's own colour
  // wins, a bitmap cell's own colour does not.
  Grid->SetLook(glStandard);
  Grid->SetFixedColor(0xC0C0C0);
  const TLook fixed = Look(0, 3);
  EXPECT_EQ(fixed.Brush, 0xC0C0C0);
  EXPECT_TRUE(fixed.State.Contains(gdFixed));
  Grid->SetColors(0, 4, 0x00FF00);
  EXPECT_EQ(Look(0, 4).Brush, 0x00FF00);
  Grid->CreateCellGraphic(0, 5)->SetCellType(ctBitmap);
  Grid->SetColors(0, 5, 0x00FF00);
  EXPECT_EQ(Look(0, 5).Brush, 0xC0C0C0);
  // The colour event comes after all of these.
  Grid->OnGetCellColor = [](TObject*, int ARow, int ACol, TGridDrawState, TBrush* B, TFont* F) {
    if (ARow == 1 && ACol == 1) {
      B->SetColor(0x0000AA);
      F->SetColor(0x00AA00);
    }
  };
  EXPECT_EQ(Look(1, 1).Brush, 0x0000AA);
  EXPECT_EQ(Look(1, 1).Font, 0x00AA00);
}

TEST_F(GridLookTest, SelectionColoursMixWithOwnColours) {
  Grid->SetColor(0xFFFFFF);
  Grid->SetSelectionColor(0xEACAB6);
  Grid->SetSelectionColorMixer(true);
  Grid->SetSelection(TGridRect{1, 1, 3, 3});
  Grid->SetColors(2, 2, 0xC8C8FF);
  // A white cell: the selection colour; a light red one: the midpoint.
  const TLook white = Look(1, 2, {}, true);
  EXPECT_EQ(white.Brush, 0xEACAB6);
  EXPECT_TRUE(white.State.Contains(gdSelected));
  EXPECT_EQ(Look(2, 2, {}, true).Brush, MixColorPercent(0xEACAB6, 0xC8C8FF, 50));
  EXPECT_EQ(Look(2, 2, {}, true).Brush, 0xD9C9DA);
  // Without Select the cell keeps its own colour; outside the selection
  // nothing changes.
  EXPECT_EQ(Look(2, 2).Brush, 0xC8C8FF);
  EXPECT_FALSE(Look(4, 4, {}, true).State.Contains(gdSelected));
  // Automatic number colours: below zero, at or above zero.
  Grid->AutoColor()->NegativeNumber()->SetTextColor(0x0000FF);
  Grid->AutoColor()->PositiveNumber()->SetBkgColor(0x00FF00);
  Grid->SetCells(4, 5, QStringLiteral("-3.5"));
  Grid->SetCells(4, 6, QStringLiteral("12"));
  Grid->SetCells(3, 6, QStringLiteral("12 apples"));
  EXPECT_EQ(Look(4, 5).Font, 0x0000FF);
  EXPECT_EQ(Look(4, 6).Brush, 0x00FF00);
  EXPECT_EQ(Look(3, 6).Brush, 0xFFFFFF);
}

TEST_F(GridLookTest, AlignmentAndFormattedText) {
  Grid->SetAutoNumAlign(true);
  struct Case {
    QString Text;
    TAlignment Align;
  };
  const Case cases[] = {{"-1.5E3", taRightJustify}, {"42", taRightJustify}, {" 3.25 ", taRightJustify},
                        {"12 apples", taLeftJustify}, {"=7", taLeftJustify}, {"", taLeftJustify}};
  for (const Case& c : cases) {
    Grid->SetCells(1, 1, c.Text);
    TAlignment ha;
    TVAlignment va;
    Grid->GetCellAlignment(1, 1, ha, va);
    EXPECT_EQ(ha, c.Align) << c.Text.toStdString();
  }
  // A formula whose value is a number aligns right.
  class TFormulaGrid : public TKitStringGrid {
   public:
    using TKitStringGrid::TKitStringGrid;
    QString GetCellValue(int, int) override { return QStringLiteral("7"); }
  };
  auto formula = CreateUnique<TFormulaGrid>(nullptr);
  formula->SetAutoNumAlign(true);
  formula->SetCells(1, 1, QStringLiteral("=3+4"));
  TAlignment ha;
  TVAlignment va;
  formula->GetCellAlignment(1, 1, ha, va);
  EXPECT_EQ(ha, taRightJustify);

  // Formatted text: only with the float-format event, only for numbers.
  Grid->SetCells(2, 2, QStringLiteral("3.14159"));
  EXPECT_EQ(Grid->GetFormattedCell(2, 2), QStringLiteral("3.14159"));
  QString format = QStringLiteral("%.1f");
  Grid->OnGetFloatFormat = [&](TObject*, int, int, bool& IsFloat, QString& Fmt) {
    IsFloat = true;
    Fmt = format;
  };
  EXPECT_EQ(Grid->GetFormattedCell(2, 2), QStringLiteral("3.1"));
  format = QStringLiteral("%d");
  Grid->SetCells(2, 3, QStringLiteral("42"));
  EXPECT_EQ(Grid->GetFormattedCell(2, 3), QStringLiteral("42"));
  Grid->SetCells(2, 4, QStringLiteral("abc"));
  EXPECT_EQ(Grid->GetFormattedCell(2, 4), QStringLiteral("abc"));
}

// ---------------------------------------------------------------------------
// Measuring and column sizing

TEST_F(GridPaintTest, MeasuringFollowsLinesAndMarkup) {
  TSize size = Grid->GetCellTextSize(1, 1, false, false);
  EXPECT_EQ(size.cx, 0);
  EXPECT_EQ(size.cy, 0);
  EXPECT_EQ(Grid->GetCellTextSize(1, 1, true, false).cy, 0);
  Grid->SetCells(1, 1, QStringLiteral("one\r\ntwo\r\nthree"));
  const int lineHeight = Grid->Canvas()->TextHeight(QStringLiteral("gh"));
  EXPECT_EQ(Grid->GetCellTextSize(1, 1, false, false).cy, lineHeight) << "one line without multi-line cells";
  Grid->SetMultilinecells(true);
  EXPECT_EQ(Grid->GetCellTextSize(1, 1, false, false).cy, 3 * lineHeight);
  // Mini-HTML: the engine's size plus 2.
  Grid->SetCells(2, 1, QStringLiteral("<b>bold</b> text"));
  const TSize html = Grid->GetCellTextSize(2, 1, false, false);
  const TSize engine =
      MeasureMiniHtml(Grid->Canvas(), QStringLiteral("<b>bold</b> text"), TRect(0, 0, 65535, 65535), true, 1.0);
  EXPECT_EQ(html.cy, engine.cy + 2);
  // A URL is measured without its scheme.
  Grid->SetCells(3, 1, QStringLiteral("https://example.com"));
  EXPECT_EQ(Grid->GetCellTextSize(3, 1, false, false).cx, Grid->Canvas()->TextWidth(QStringLiteral("example.com")));
}

TEST_F(GridPaintTest, AutoSizeColumnsFitsTheWidestTextWithPadding) {
  Grid->SetCells(1, 0, QStringLiteral("short"));
  Grid->SetCells(1, 7, QStringLiteral("a considerably longer text"));
  Grid->SetCells(2, 3, QStringLiteral("https://www.example.com/path"));
  Grid->SetCells(3, 3, QStringLiteral("<b>x</b>"));
  Grid->AutoSizeColumns(false, 4);
  const int text = Grid->Canvas()->TextWidth(QStringLiteral("a considerably longer text"));
  // Width = text + 2 * XYOffset.X + 2 * line + 2, plus the padding.
  EXPECT_EQ(Grid->ColWidths(1), text + 4 + 2 + 2 + 4);
  EXPECT_EQ(Grid->ColWidths(2), Grid->Canvas()->TextWidth(QStringLiteral("www.example.com/path")) + 12);
  EXPECT_EQ(Grid->ColWidths(0), 12) << "an empty column: only the margins";
  const int narrow = Grid->ColWidths(1);

  // The cell-by-cell measurement (forced by a colour event that changes
  // nothing) gives the same widths as the column's shared font.
  Grid->OnGetCellColor = [](TObject*, int, int, TGridDrawState, TBrush*, TFont*) {};
  Grid->AutoSizeColumns(false, 4);
  EXPECT_EQ(Grid->ColWidths(1), narrow);
  Grid->OnGetCellColor = nullptr;

  // Many texts, with pairs that kern ("AV", "To", "Ty") and without: the
  // shared-font measurement and the cell-by-cell one agree.
  Grid->SetRowCount(3000);
  static const char* const parts[] = {"AV", "To", "Ty", "77", "ff", "fi", "WA", ". ", "r,", "LT"};
  for (int r = 0; r < 3000; ++r) {
    QString t = QString::number(r * 7919 % 100000);
    for (int i = 0; i < 1 + r % 9; ++i) t += QString::fromLatin1(parts[(r + i * 3) % 10]);
    Grid->SetCells(5, r, t);
    Grid->SetCells(4, r, QStringLiteral("0%1 %2 %3").arg(r % 9).arg(r % 97, 2, 10, QChar(u'0')).arg(r, 5, 10, QChar(u'0')));
  }
  Grid->AutoSizeCol(5, 0);
  Grid->AutoSizeCol(4, 0);
  const int shared5 = Grid->ColWidths(5);
  const int shared4 = Grid->ColWidths(4);
  Grid->OnGetCellColor = [](TObject*, int, int, TGridDrawState, TBrush*, TFont*) {};
  Grid->AutoSizeCol(5, 0);
  Grid->AutoSizeCol(4, 0);
  EXPECT_EQ(Grid->ColWidths(5), shared5);
  EXPECT_EQ(Grid->ColWidths(4), shared4);
  Grid->OnGetCellColor = nullptr;
  Grid->SetRowCount(20);

  // Growing only keeps a wider column; the limits and the event apply.
  Grid->SetColWidths(1, 400);
  Grid->AutoGrowColumns(false, 0);
  EXPECT_EQ(Grid->ColWidths(1), 400);
  Grid->SetMaxColWidth(50);
  Grid->AutoSizeCol(1, 0);
  EXPECT_EQ(Grid->ColWidths(1), 50);
  Grid->SetMaxColWidth(0);
  int seen = -1;
  Grid->OnUpdateColumnSize = [&](TObject*, int ACol, int& AWidth) {
    seen = ACol;
    AWidth = 77;
  };
  Grid->SizeColumnToContents(1, false);
  EXPECT_EQ(seen, 1);
  EXPECT_EQ(Grid->ColWidths(1), 77);
  // A bold cell of its own is measured in bold.
  Grid->OnUpdateColumnSize = nullptr;
  Grid->SetCells(4, 2, QStringLiteral("WWWWWWWWWW"));
  Grid->AutoSizeCol(4, 0);
  const int plain = Grid->ColWidths(4);
  Grid->SetFontStyles(4, 2, TFontStyles{fsBold});
  Grid->AutoSizeCol(4, 0);
  EXPECT_GT(Grid->ColWidths(4), plain);
}

// Columns whose texts share their characters (so their plain sums tie and
// only kerning and ligatures decide the widest), URLs and mail addresses
// measured without their scheme, and texts with marks, format characters
// and right-to-left or non-Latin scripts: the shared-font measurement gives
// each column the width the cell-by-cell one gives.
TEST_F(GridPaintTest, ColumnSizingAgreesWithCellByCellOnKerningAndScripts) {
  struct TColumnCase {
    const char* Name;
    std::function<QString(int Row)> Text;
  };
  // Every permutation step of one multiset of kerning-prone characters.
  auto shuffled = [](int Row) {
    QString t = QStringLiteral("AVTo.yWfiLT,ffr");
    for (int i = t.size() - 1; i > 0; --i) {
      const int j = int((uint32_t(Row) * 2654435761u >> (i % 16)) % uint32_t(i + 1));
      std::swap(t[i], t[j]);
    }
    return t;
  };
  const TColumnCase cases[] = {
      {"permuted kerning pairs", shuffled},
      {"kerning around a fixed widest", [&](int Row) { return Row == 97 ? QStringLiteral("WWWWWWWWWWWWWW") : shuffled(Row); }},
      {"ligature runs",
       [](int Row) {
         static const char* const runs[] = {"ffi", "ffl", "fi", "fl", "ff", "fff", "ft", "if"};
         QString t;
         for (int i = 0; i < 12; ++i) t += QString::fromLatin1(runs[(Row >> (i % 8) ^ i) % 8]);
         return t;
       }},
      {"URLs and mail addresses",
       [](int Row) {
         static const char* const schemes[] = {"https://", "mailto:", "", "ftp://"};
         return QString::fromLatin1(schemes[Row % 4]) + QStringLiteral("To%1.AV@Wy.fr").arg(Row * 37 % 1000);
       }},
      {"marks, format characters, other scripts",
       [](int Row) {
         static const char16_t* const parts[] = {u"Te\u0301", u"T\u00ADo", u"A\u200DV", u"\u05E9\u05DC\u05D5\u05DD",
                                                 u"\u0391\u03A5\u03A4\u039F", u"\u0413\u0410\u0413\u0410",
                                                 u"\u0644\u0627", u"f\u200Ci", u"Yo"};
         QString t;
         for (int i = 0; i < 1 + Row % 5; ++i) t += QString::fromUtf16(parts[(Row + i * 4) % 9]);
         return t;
       }},
  };
  Grid->SetRowCount(600);
  Grid->SetColCount(int(std::size(cases)));
  for (int c = 0; c < int(std::size(cases)); ++c)
    for (int r = 0; r < 600; ++r) Grid->SetCells(c, r, cases[c].Text(r));
  std::vector<int> shared;
  for (int c = 0; c < int(std::size(cases)); ++c) {
    Grid->AutoSizeCol(c, 0);
    shared.push_back(Grid->ColWidths(c));
  }
  Grid->OnGetCellColor = [](TObject*, int, int, TGridDrawState, TBrush*, TFont*) {};
  for (int c = 0; c < int(std::size(cases)); ++c) {
    Grid->AutoSizeCol(c, 0);
    EXPECT_EQ(Grid->ColWidths(c), shared[size_t(c)]) << cases[c].Name;
  }
  Grid->OnGetCellColor = nullptr;
  // The fixed widest text decides its column.
  ASSERT_EQ(shared.size(), std::size(cases));
  EXPECT_EQ(shared[1], Grid->Canvas()->TextWidth(QStringLiteral("WWWWWWWWWWWWWW")) + 4 + 2 + 2);
}

// ---------------------------------------------------------------------------
// Window sizing, balloons, old values

TEST_F(GridPaintTest, ProportionalColumnsKeepTheirScaledTotal) {
  Grid->SetColCount(4);
  for (int c = 0; c < 4; ++c) Grid->SetColWidths(c, 100 + 7 * c);
  Grid->InitOrigColSizes();
  Grid->ColumnSize()->SetSynchWithGrid(true);
  const int original = 100 + 107 + 114 + 121;
  // The reference: the grid's width, 2 more without a single border, less
  // the three inner vertical lines.
  ASSERT_TRUE(Grid->Options().Contains(goVertLine));
  const int reference = Grid->OrigGridWidth();
  EXPECT_EQ(reference, 500 + 2 - 3);
  Grid->SetBounds(0, 0, 377, 300);
  vcltest::Pump();
  // factor = (new width - lines - 4) / reference width; the truncated
  // fractions go to the last column.
  const double factor = double(Grid->ClientWidth() - 3 - 4) / reference;
  int total = 0;
  for (int c = 0; c < 4; ++c) total += Grid->ColWidths(c);
  EXPECT_EQ(total, int(original * factor)) << "factor " << factor;
  EXPECT_EQ(Grid->ColWidths(0), int(100 * factor));
}

TEST_F(GridPaintTest, StretchColumnTakesTheRoomLeft) {
  Grid->SetColCount(3);
  for (int c = 0; c < 3; ++c) Grid->SetColWidths(c, 60);
  Grid->ColumnSize()->SetStretchColumn(1);
  Grid->ColumnSize()->SetStretch(true);
  Grid->SetBounds(0, 0, 400, 300);
  vcltest::Pump();
  EXPECT_EQ(Grid->ColWidths(1), Grid->ClientWidth() - 120);
  // Narrower than the other columns: the stretch column keeps its width.
  const int kept = Grid->ColWidths(1);
  Grid->SetColWidths(0, 300);
  Grid->SetColWidths(2, 300);
  Grid->SetBounds(0, 0, 380, 300);
  vcltest::Pump();
  EXPECT_EQ(Grid->ColWidths(1), kept);
}

TEST(KitGridBalloon, TextAndTitleAreCut) {
  const QString text = QString(3000, u'x');
  const QString shown = TKitStringGrid::BalloonText(text);
  EXPECT_EQ(shown.size(), 2048);
  EXPECT_TRUE(shown.endsWith(QStringLiteral("...")));
  EXPECT_EQ(TKitStringGrid::BalloonText(QStringLiteral("\t\r\na\tb")), QStringLiteral("a b"));
  EXPECT_EQ(TKitStringGrid::BalloonText(QStringLiteral("short")), QStringLiteral("short"));
  EXPECT_EQ(TKitStringGrid::BalloonTitle(QString(150, u't')).size(), 100);
  EXPECT_EQ(TKitStringGrid::BalloonTitle(QStringLiteral("Title")), QStringLiteral("Title"));
}

TEST_F(GridPaintTest, FixedEditorOnlyInFixedCellsAndOldValues) {
  Grid->SetFixedRows(1);
  EXPECT_EQ(testsupport::RaisedMessage([&] { Grid->ShowFixedInplaceEdit(2, 3); }),
            QStringLiteral("Cannot start fixed inplace editor in non-fixed cell"));
  int edits = 0;
  Grid->OnFixedEdit = [&](TObject*, int, int, TGridFixedCellEditor&, TStrings*) { ++edits; };
  Grid->ShowFixedInplaceEdit(2, 0);
  EXPECT_EQ(edits, 1);
  Grid->SetCells(2, 3, QStringLiteral("before"));
  Grid->StoreOldCell(2, 3);
  Grid->SetCells(2, 3, QStringLiteral("after"));
  EXPECT_EQ(Grid->OldCol(), 2);
  EXPECT_EQ(Grid->OldRow(), 3);
  EXPECT_EQ(Grid->OldCellText(), QStringLiteral("before"));
}

TEST_F(GridPaintTest, ChangedCellsReachNotifiersThenTheEvent) {
  class TRecorder : public TGridChangeNotifier {
   public:
    QStringList* Log;
    void CellsChanged(TObject*, const TRect& R) override { *Log << QStringLiteral("notifier %1").arg(R.Left); }
  };
  QStringList log;
  TRecorder a;
  a.Log = &log;
  Grid->RegisterNotifier(&a);
  Grid->RegisterNotifier(&a);
  Grid->OnCellsChanged = [&](TObject*, TRect R) { log << QStringLiteral("event %1").arg(R.Left); };
  Grid->CellsChanged(TRect(3, 0, 4, 1));
  EXPECT_EQ(log, (QStringList{"notifier 3", "event 3"}));
  Grid->UnRegisterNotifier(&a);
  log.clear();
  Grid->CellsChanged(TRect(1, 0, 2, 1));
  EXPECT_EQ(log, (QStringList{"event 1"}));
}

TEST_F(GridPaintTest, SortIndicatorAndBackgroundGradient) {
  Grid->SetFixedRows(1);
  for (int c = 0; c < 6; ++c) Grid->SetCells(c, 0, QStringLiteral("Head"));
  Grid->SortSettings()->SetShow(true);
  Grid->SortSettings()->SetColumn(2);
  Grid->SortSettings()->SetRow(0);
  Grid->SortSettings()->SetDirection(sdDescending);
  Grid->BackGround()->SetDisplay(bdGradientVert);
  Grid->BackGround()->SetColor(0xFFFFFF);
  Grid->BackGround()->SetColorTo(0xFF0000);
  Grid->SetActiveRowShow(false);
  Grid->FocusCell(5, 12);
  const QImage img = Paint();
  Keep(img, QStringLiteral("sort-and-gradient.png"));
  // The sort column's header has a black triangle right of its text; its
  // neighbour has none.
  auto black = [&](int c) {
    const TRect r = Grid->CellRect(c, 0);
    return probe::Count(img, probe::IsBgr(0x000000), QRect(r.Left + 40, r.Top, r.Width() - 40, r.Height()));
  };
  EXPECT_GT(black(2), 10);
  EXPECT_EQ(black(3), 0);
  // Normal cells show their slice of the grid-wide gradient: bluer further
  // down.
  const QRgb top = img.pixel(Grid->CellRect(1, 1).Left + 40, Grid->CellRect(1, 1).Top + 5);
  const QRgb low = img.pixel(Grid->CellRect(1, 10).Left + 40, Grid->CellRect(1, 10).Top + 5);
  EXPECT_GT(qRed(top), qRed(low));
  EXPECT_EQ(qBlue(top), 255);
}

TEST_F(GridLookTest, LookPresetsAndNames) {
  // The classic looks: button-face fixed cells, the system selection.
  Grid->SetLook(glClassic);
  EXPECT_EQ(Grid->FixedColor(), clBtnFace);
  EXPECT_EQ(Grid->SelectionColor(), clHighlight);
  EXPECT_EQ(Grid->SelectionTextColor(), clHighlightText);
  EXPECT_EQ(Grid->ControlLook()->FixedGradientFrom(), clBtnFace);
  EXPECT_EQ(Grid->GridLineColor(), 0xC0C0C0);
  EXPECT_EQ(Grid->BorderColor(), 0xB99D7F);
  // The XP look: its selection, the gradients of hovered and pressed
  // headers.
  Grid->SetLook(glXP);
  EXPECT_EQ(Grid->SelectionColor(), 0xEACAB6);
  EXPECT_EQ(Grid->SelectionTextColor(), 0x000000);
  EXPECT_EQ(Grid->ControlLook()->FixedGradientFrom(), 0xFFFFFF);
  EXPECT_EQ(Grid->ControlLook()->FixedGradientTo(), clBtnFace);
  EXPECT_EQ(Grid->ControlLook()->FixedGradientHoverFrom(), 0xCFD0D1);
  EXPECT_EQ(Grid->ControlLook()->FixedGradientDownMirrorTo(), 0x627376);
  EXPECT_EQ(Grid->SelectionStyle(), ssDefault);
  // The Vista look brings its selection frame.
  Grid->SetLook(glVista);
  EXPECT_EQ(Grid->SelectionStyle(), ssVista);
  QString text = QStringLiteral("kept");
  TKitStringGrid::GridLookToString(glWin7, text);
  EXPECT_EQ(text, QStringLiteral("glWin7"));
  TKitStringGrid::GridLookDisplayName(glXP, text);
  EXPECT_EQ(text, QStringLiteral("Windows XP"));
  TKitStringGrid::GridLookDisplayName(glCustom, text);
  EXPECT_EQ(text, QStringLiteral("Windows XP")) << "glCustom leaves the text";
}
