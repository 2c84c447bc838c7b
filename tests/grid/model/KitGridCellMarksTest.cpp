// Marks the cell painter adds to a cell's text, at sample pixels: the red
// wave under a marked stretch of text, a cell's own scroll bar with its text
// scrolled beside it, and the sort marker of rotated and mini-HTML headers.

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>

#include "grid/model/KitGrid.h"
#include "platform/vcl/Forms.h"
#include "tests/harness/Harness.h"
#include "tests/support/PixelProbes.h"
#include "tests/support/TestSupport.h"

namespace {

QRect Q(const TRect& R) { return QRect(R.Left, R.Top, R.Width(), R.Height()); }

bool Dark(QRgb P) { return probe::Luminance(P) < 100; }
bool Red(QRgb P) { return qRed(P) > 200 && qGreen(P) < 60 && qBlue(P) < 60; }

// A shown grid of 5 x 8 cells of 110 x 30 with one fixed row and column,
// white cells, no scroll bars of its own, the current cell out of the way.
class CellMarksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(10, 10, 640, 360);
    Grid = Create<TKitStringGrid>(Form.get());
    Grid->SetBounds(0, 0, 580, 300);
    Grid->SetBorderStyle(bsNone);
    Grid->SetScrollBars(ssNone);
    Grid->SetColCount(5);
    Grid->SetRowCount(8);
    Grid->SetDefaultColWidth(110);
    Grid->SetDefaultRowHeight(30);
    Grid->SetColor(clWhite);
    Grid->SetParent(Form.get());
    ASSERT_TRUE(vcltest::ShowAndActivate(Form.get()));
    Grid->FocusCell(4, 7);
    vcltest::Pump();
  }
  void TearDown() override { Form.reset(); }
  QImage Paint() {
    Grid->WidgetIfAllocated()->repaint();
    return Grid->BackBuffer().copy();
  }
  static void Keep(const QImage& Image, const QString& Name) {
    ASSERT_TRUE(Image.save(QDir(testsupport::TestOutputFolder()).filePath(Name)));
  }
  int TextWidth(const QString& Text) {
    TBitmap measure(1, 1);
    measure.Canvas()->Font()->Assign(Grid->Font());
    return measure.Canvas()->TextWidth(Text);
  }

  std::unique_ptr<TForm> Form;
  TKitStringGrid* Grid = nullptr;
};

}  // namespace

TEST_F(CellMarksTest, ErrorMarkerWavesUnderTheMarkedCharacters) {
  const QString text = QStringLiteral("Teh quick fox");
  for (int r = 1; r <= 4; ++r) Grid->SetCells(1, r, text);
  Grid->AddMarker(1, 1, 0, 3);  // "Teh"
  Grid->AddMarker(1, 2, 4, 5);  // "quick"
  Grid->SetCells(2, 3, QStringLiteral("right"));
  Grid->SetAlignments(2, 3, taRightJustify);
  Grid->AddMarker(2, 3, 0, 5);
  // A marker on a cell whose graphic is a check box is not drawn.
  Grid->AddCheckBox(1, 4, false, false);
  Grid->AddMarker(1, 4, 0, 3);
  const QImage img = Paint();
  Keep(img, QStringLiteral("grid-error-marker.png"));

  const int x0 = Grid->CellRect(1, 1).Left + Grid->XYOffset().X;
  auto wave = [&](int C, int R) { return probe::Box(img, Red, Q(Grid->CellRect(C, R))); };
  // Under "Teh": from the first character to about the start of the third.
  const QRect teh = wave(1, 1);
  ASSERT_FALSE(teh.isEmpty());
  EXPECT_NEAR(teh.left(), x0, 2);
  EXPECT_LE(teh.right(), x0 + TextWidth(QStringLiteral("Teh")) + 3);
  EXPECT_GE(teh.right(), x0 + TextWidth(QStringLiteral("Te")) - 1);
  // Below the text's ink, inside the cell.
  const QRect ink = probe::Box(img, Dark, Q(Grid->CellRect(1, 1)));
  EXPECT_GT(teh.top(), ink.top() + ink.height() / 2);
  EXPECT_LT(teh.bottom(), Grid->CellRect(1, 1).Bottom);
  EXPECT_GE(teh.height(), 3);  // a zig-zag, not a straight line

  // Under "quick": starting where "Teh " ends.
  const QRect quick = wave(1, 2);
  ASSERT_FALSE(quick.isEmpty());
  EXPECT_NEAR(quick.left(), x0 + TextWidth(QStringLiteral("Teh ")), 2);
  EXPECT_GE(quick.right(), x0 + TextWidth(QStringLiteral("Teh qui")));

  // A right-aligned text has its wave at the right, under its characters.
  const QRect right = wave(2, 3);
  const TRect cell = Grid->CellRect(2, 3);
  ASSERT_FALSE(right.isEmpty());
  EXPECT_GT(right.left(), cell.Left + cell.Width() / 2);
  const QRect rightInk = probe::Box(img, Dark, Q(cell));
  EXPECT_NEAR(right.left(), rightInk.left(), 3);

  // Nothing on unmarked text, on the check-box cell, or in the next row.
  EXPECT_TRUE(wave(1, 3).isEmpty());
  EXPECT_TRUE(wave(1, 4).isEmpty());
  EXPECT_TRUE(wave(1, 5).isEmpty());

  // Removing the marker takes the wave away.
  Grid->RemoveMarker(1, 1);
  EXPECT_TRUE(probe::Box(Paint(), Red, Q(Grid->CellRect(1, 1))).isEmpty());
}

TEST_F(CellMarksTest, CellScrollBarScrollsItsText) {
  Grid->SetMultilinecells(true);
  Grid->SetRowHeights(2, 80);
  Grid->SetCells(2, 2, QStringLiteral("one\ntwo\nthree\nfour\nfive\nsix\nseven\neight\nnine\nten"));
  Grid->SetCells(2, 3, QStringLiteral("below"));
  Grid->AddScrollBar(2, 2, true);
  // The range is the text's height, the page the row's.
  const TScrollProp prop = Grid->GetScrollProp(2, 2);
  EXPECT_EQ(prop.PageSize, 80);
  ASSERT_GT(prop.Range, prop.PageSize + 20);

  const QImage top = Paint();
  Keep(top, QStringLiteral("grid-cell-scroll-bar-top.png"));
  const TRect cell = Grid->CellRect(2, 2);
  // The bar stands along the cell's right edge, 17 pixels wide; left of it
  // the cell is its own white.
  const int barLeft = cell.Right - 1 - 17;
  const QRect strip(barLeft, cell.Top + 1, 17, cell.Height() - 3);
  EXPECT_GT(probe::Count(top, probe::NotBgr(0xFFFFFF), strip), 17 * 20);
  EXPECT_EQ(probe::BgrAt(top, barLeft - 3, cell.Top + cell.Height() / 2), 0xFFFFFFu);
  // The text's ink stays left of the bar.
  const QRect ink = probe::Box(top, Dark, QRect(cell.Left, cell.Top, barLeft - cell.Left, cell.Height()));
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_LT(ink.left(), cell.Left + 10);

  // Scrolled by 12: the text moves up 12 pixels, clipped to the cell, and
  // the thumb moves down. (The lines compared are whole in both pictures:
  // a text laid out as an edit control shows no partly visible last line.)
  constexpr int kBy = 12;
  Grid->SetScrollPosition(2, 2, kBy);
  const QImage scrolled = Paint();
  Keep(scrolled, QStringLiteral("grid-cell-scroll-bar-12.png"));
  const QRect textArea(cell.Left + 2, cell.Top + 2, barLeft - cell.Left - 4, cell.Height() / 2);
  int differing = 0;
  for (int y = textArea.top(); y <= textArea.bottom(); ++y)
    for (int x = textArea.left(); x <= textArea.right(); ++x)
      differing += scrolled.pixel(x, y) != top.pixel(x, y + kBy) ? 1 : 0;
  EXPECT_EQ(differing, 0);
  EXPECT_NE(scrolled.copy(strip), top.copy(strip));
  // The cells around are untouched.
  EXPECT_EQ(scrolled.copy(Q(Grid->CellRect(2, 1))), top.copy(Q(Grid->CellRect(2, 1))));
  EXPECT_EQ(scrolled.copy(Q(Grid->CellRect(2, 3))), top.copy(Q(Grid->CellRect(2, 3))));

  // A position beyond the last page is where the thumb can go: the last one.
  const int last = prop.Range - prop.PageSize + 1;
  Grid->SetScrollPosition(2, 2, last);
  const QImage end = Paint();
  Grid->SetScrollPosition(2, 2, last + 500);
  EXPECT_EQ(Paint().copy(Q(cell)), end.copy(Q(cell)));
  EXPECT_EQ(Grid->PaintScrollBar()->Position(), last);

  // Without its bar the cell is whole again.
  Grid->RemoveScrollBar(2, 2);
  const QImage plain = Paint();
  EXPECT_EQ(probe::Count(plain, probe::NotBgr(0xFFFFFF), QRect(barLeft, cell.Top + 1, 17, cell.Height() - 3)), 0);
}

TEST_F(CellMarksTest, SortMarkerOnRotatedAndMiniHtmlHeaders) {
  Grid->SetEnableHTML(true);
  Grid->SetRowHeights(0, 70);
  Grid->AddRotated(2, 0, 90, QStringLiteral("Turned"));
  Grid->AddRotated(3, 0, 90, QStringLiteral("Turned"));
  Grid->SetCells(4, 0, QStringLiteral("<b>Html</b>"));
  Grid->SortSettings()->SetShow(true);
  Grid->SortSettings()->SetRow(0);
  Grid->SortSettings()->SetDirection(sdDescending);
  // The marker's corner of a header: the top-right 24 x 24 pixels.
  auto marker = [&](const QImage& Img, int C) {
    const TRect r = Grid->CellRect(C, 0);
    return probe::Count(Img, probe::IsBgr(0x000000), QRect(r.Right - 24, r.Top, 24, 24));
  };

  // A rotated header of the sort column: the marker at its top-right; the
  // rotated header beside it has none.
  Grid->SortSettings()->SetColumn(2);
  QImage img = Paint();
  Keep(img, QStringLiteral("grid-sort-marker-rotated.png"));
  EXPECT_GT(marker(img, 2), 12);
  EXPECT_EQ(marker(img, 3), 0);
  // The rotated text is still drawn.
  EXPECT_GT(probe::Count(img, Dark, Q(Grid->CellRect(2, 0))), marker(img, 2) + 20);

  // A mini-HTML header of the sort column: the marker in the room kept
  // right of its text.
  Grid->SortSettings()->SetColumn(4);
  img = Paint();
  Keep(img, QStringLiteral("grid-sort-marker-html.png"));
  EXPECT_GT(marker(img, 4), 12);
  EXPECT_EQ(marker(img, 2), 0);
  // Off without SortSettings.Show.
  Grid->SortSettings()->SetShow(false);
  EXPECT_EQ(marker(Paint(), 4), 0);
}
