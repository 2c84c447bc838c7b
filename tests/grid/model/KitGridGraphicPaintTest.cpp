// Cell graphics painted offscreen: every kind of clickable control and
// indicator in one grid, in the default look and in a coloured style with
// the grid's own glyphs, written as pictures; and the pixels that tell the
// states apart (checked or not, ratings, progress, the comment mark, the
// button's remembered place).

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>

#include "grid/model/KitGrid.h"
#include "grid/model/KitGridLists.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Themes.h"
#include "tests/harness/Harness.h"
#include "tests/support/PixelProbes.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr int kColWidth = 118;
constexpr int kRowHeight = 28;

class GraphicPaintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(10, 10, 880, 620);
    Grid = Create<TKitStringGrid>(Form.get());
    Grid->SetBounds(0, 0, 7 * kColWidth + 8, 19 * kRowHeight + 20);
    Grid->SetScrollBars(ssNone);
    Grid->SetColCount(7);
    Grid->SetRowCount(17);
    Grid->SetFixedCols(1);
    Grid->SetFixedRows(1);
    Grid->SetDefaultColWidth(kColWidth);
    Grid->SetDefaultRowHeight(kRowHeight);
    Grid->SetURLShow(true);
    Grid->SetEnableHTML(true);
    Images = std::make_unique<TImageList>(nullptr);
    Images->SetSize(16, 16);
    const TColor colours[] = {0x2030D0, 0x30A030, 0xD07020, 0x20B0E0};
    for (TColor c : colours) {
      TBitmap b(16, 16);
      b.Canvas()->Brush()->SetColor(c);
      b.Canvas()->FillRect(TRect(0, 0, 16, 16));
      b.Canvas()->Brush()->SetColor(clWhite);
      b.Canvas()->FillRect(TRect(5, 5, 11, 11));
      Images->Add(&b, nullptr);
    }
    Grid->SetGridImages(Images.get());
    Fill();
    Grid->SetParent(Form.get());
    ASSERT_TRUE(vcltest::ShowAndActivate(Form.get()));
    Grid->FocusCell(6, 16);
    vcltest::Pump();
  }
  void TearDown() override {
    Form.reset();
    Images.reset();
    if (TStyleManager::IsCustomStyleActive()) TStyleManager::SetStyle(QStringLiteral("Windows"));
    vcltest::Pump();
  }

  // One row per family of kinds; column 0 names it.
  void Fill() {
    TKitStringGrid* g = Grid;
    const char* head[] = {"Kind", "A", "B", "C", "D", "E", "F"};
    for (int c = 0; c < 7; ++c) g->SetCells(c, 0, QString::fromLatin1(head[c]));
    const char* names[] = {"",          "Check boxes", "Data / 3-state", "Radio buttons", "Radio group",
                           "Buttons",   "Progress",    "Pie / range",    "Rating",        "Images",
                           "Bitmap",    "Comments",    "Shapes",         "Links",         "Rotated",
                           "Hover button", "Read-only"};
    for (int r = 1; r < 17; ++r) g->SetCells(0, r, QString::fromLatin1(names[r]));
    g->SetOptions(g->Options() + TGridOptions{goEditing});

    g->AddCheckBox(1, 1, false, false);
    g->AddCheckBox(2, 1, true, false);
    g->SetCells(3, 1, QStringLiteral("with text"));
    g->AddCheckBox(3, 1, true, false);
    g->SetCells(1, 2, QStringLiteral("Y"));
    g->AddCheckBox(1, 2, false, true);
    g->SetCells(2, 2, QStringLiteral("y"));  // not the check-true text
    g->AddCheckBox(2, 2, false, true);
    g->AddCheckBox(3, 2, cbGrayed);
    g->AddCheckBox(4, 2, cbChecked);
    g->AddCheckBox(5, 2, cbUnchecked);

    for (int c = 1; c <= 4; ++c) g->AddRadioButtonGroup(c, 3, rgRow, c == 2);
    g->SetCells(5, 3, QStringLiteral("choice"));
    g->AddRadioButtonGroup(5, 3, rgNone, true);

    g->SetColWidths(1, kColWidth);
    TStrings* items = g->CreateRadio(1, 4, 1, 1);
    items->Add(QStringLiteral("S"));
    items->Add(QStringLiteral("M"));
    items->Add(QStringLiteral("L"));
    g->MergeCells(1, 4, 2, 1);
    TStrings* follow = g->CreateRadio(3, 4, 1, -1);
    follow->Add(QStringLiteral("no"));
    follow->Add(QStringLiteral("yes"));
    g->SetCells(3, 4, QStringLiteral("yes"));

    g->AddButton(1, 5, 70, 20, QStringLiteral("Go"), haCenter, vaCenter);
    g->AddButton(2, 5, 70, 20, QStringLiteral("Pushed"), haCenter, vaCenter);
    g->PushButton(2, 5, true);
    TBitmap* glyph = g->CreateBitButton(3, 5, 80, 22, QStringLiteral("Save"), haCenter, vaCenter);
    glyph->SetSize(14, 14);
    glyph->Canvas()->Brush()->SetColor(clFuchsia);
    glyph->Canvas()->FillRect(TRect(0, 0, 14, 14));
    glyph->Canvas()->Brush()->SetColor(0x2080F0);
    glyph->Canvas()->FillRect(TRect(2, 2, 12, 12));
    g->SetCells(4, 5, QStringLiteral("text"));
    g->AddButton(4, 5, 30, 20, QStringLiteral("..."), haRight, vaCenter);

    g->SetCells(1, 6, QStringLiteral("50"));
    g->AddProgress(1, 6, 0xC07020, clWhite);
    g->SetCells(2, 6, QStringLiteral("80"));
    g->AddProgressEx(2, 6, clGreen, clWhite, 0xE0E0E0, clBlack);
    g->SetCells(3, 6, QStringLiteral("30"));
    g->AddKitProgress(3, 6, 0, 100);

    g->SetCells(1, 7, QStringLiteral("pie"));
    g->AddProgressPie(1, 7, clGreen, 65);
    g->SetCells(2, 7, QStringLiteral("-40"));
    g->AddRangeIndicator(2, 7, 100, clRed, clGreen, true);
    g->SetCells(3, 7, QStringLiteral("70"));
    g->AddRangeIndicator(3, 7, 100, clRed, clGreen, false);

    g->SetCells(1, 8, QStringLiteral("3.7"));
    g->AddRating(1, 8, 5, 0x00A5FF, 0xD0D0D0);

    g->AddImageIdx(1, 9, 0, haLeft, vaCenter);
    g->SetCells(1, 9, QStringLiteral("image 0"));
    g->CellGraphics(1, 9)->SetCellHAlign(haBeforeText);
    g->AddDataImage(2, 9, 2, haCenter, vaCenter);
    g->AddMultiImage(3, 9, 0, haLeft, vaCenter);
    for (int i = 0; i < 4; ++i) g->CellImages(3, 9)->Add(i);

    TBitmap* bmp = g->CreateBitmap(1, 10, false, haLeft, vaCenter);
    bmp->SetSize(40, 20);
    bmp->Canvas()->Brush()->SetColor(0x40C0FF);
    bmp->Canvas()->FillRect(TRect(0, 0, 40, 20));
    bmp->Canvas()->Pen()->SetColor(clNavy);
    bmp->Canvas()->Ellipse(2, 2, 38, 18);
    g->SetCells(2, 10, QStringLiteral("after"));
    TBitmap* after = g->CreateBitmap(2, 10, false, haAfterText, vaCenter);
    after->SetSize(16, 16);
    after->Canvas()->Brush()->SetColor(clTeal);
    after->Canvas()->FillRect(TRect(0, 0, 16, 16));

    g->SetCells(1, 11, QStringLiteral("commented"));
    g->AddComment(1, 11, QStringLiteral("A note"));
    g->SetCells(2, 11, QStringLiteral("blue note"));
    g->AddColorComment(2, 11, QStringLiteral("B"), clBlue);
    g->SetCells(3, 11, QStringLiteral("50"));
    g->AddProgress(3, 11, clTeal, clWhite);
    g->AddComment(3, 11, QStringLiteral("on a bar"));

    g->AddShape(1, 12, csCircle, clRed, clMaroon, haCenter, vaCenter);
    g->AddShape(2, 12, csDiamond, clYellow, clOlive, haCenter, vaCenter);
    g->AddShape(3, 12, csTriangleUp, clLime, clGreen, haCenter, vaCenter);
    g->AddShape(4, 12, csStar, 0x00A5FF, clMaroon, haCenter, vaCenter);
    g->AddShape(5, 12, csArrowRight, clAqua, clNavy, haCenter, vaCenter);

    g->SetCells(1, 13, QStringLiteral("https://www.example.com"));
    g->SetCells(2, 13, QStringLiteral("<a href=\"x\">anchor</a> <b>bold</b>"));
    g->SetCells(3, 13, QStringLiteral("mailto:me@example.com"));

    g->SetRowHeights(14, 2 * kRowHeight);
    g->AddRotated(1, 14, 90, QStringLiteral("Up 90"));
    g->AddRotated(2, 14, 45, QStringLiteral("At 45"));
    g->AddRotated(3, 14, -90, QStringLiteral("Down"));

    g->AddButton(1, 15, 70, 20, QStringLiteral("Hot"), haCenter, vaCenter);
    g->AddButton(2, 15, 70, 20, QStringLiteral("Normal"), haCenter, vaCenter);
    g->SetHoverButtonCell(TGridCoord{1, 15});
    // A node glyph in the grid's node look (nodes are made by the grouping).
    g->CreateCellGraphic(4, 15)->SetCellType(ctNode);

    for (int c = 1; c <= 3; ++c) g->SetReadOnly(c, 16, true);
    g->AddCheckBox(1, 16, true, false);
    g->AddRadioButtonGroup(2, 16, rgNone, true);
    g->AddButton(3, 16, 70, 20, QStringLiteral("Off"), haCenter, vaCenter);
  }

  QImage Paint() {
    Grid->WidgetIfAllocated()->repaint();
    return Grid->BackBuffer().copy();
  }
  void Keep(const QImage& Image, const QString& Name) {
    ASSERT_TRUE(Image.save(QDir(testsupport::TestOutputFolder()).filePath(Name)));
  }
  QImage CellImage(const QImage& Image, int C, int R) {
    const TRect r = Grid->CellRect(C, R);
    return Image.copy(r.Left, r.Top, r.Width(), r.Height());
  }
  int Dark(const QImage& Image, int C, int R) {
    const TRect r = Grid->CellRect(C, R);
    return probe::Count(Image, [](QRgb p) { return probe::Luminance(p) < 70; },
                        QRect(r.Left, r.Top, r.Width(), r.Height()));
  }

  std::unique_ptr<TForm> Form;
  std::unique_ptr<TImageList> Images;
  TKitStringGrid* Grid = nullptr;
};

}  // namespace

TEST_F(GraphicPaintTest, DefaultLook) {
  const QImage img = Paint();
  Keep(img, QStringLiteral("grid-cell-graphics-default.png"));

  // A checked box has its mark; an unchecked one not.
  EXPECT_GT(Dark(img, 2, 1), Dark(img, 1, 1) + 6);
  // A data box whose text is "y" is drawn unchecked, exactly like the
  // unchecked three-state box of its row.
  EXPECT_EQ(CellImage(img, 2, 2), CellImage(img, 5, 2));
  EXPECT_NE(CellImage(img, 1, 2), CellImage(img, 5, 2));

  // The comment mark: the top-right corner in the comment colour (red by
  // default) and in the cell's own colour (blue).
  const TRect note = Grid->CellRect(1, 11);
  EXPECT_GT(probe::Count(img, probe::IsBgr(0x0000FF), QRect(note.Right - 10, note.Top, 10, 6)), 4);
  const TRect blue = Grid->CellRect(2, 11);
  EXPECT_GT(probe::Count(img, probe::IsBgr(0xFF0000), QRect(blue.Right - 10, blue.Top, 10, 6)), 4);
  const TRect bar = Grid->CellRect(3, 11);
  EXPECT_GT(probe::Count(img, probe::IsBgr(0x0000FF), QRect(bar.Right - 10, bar.Top, 10, 6)), 4);

  // Progress at 50 %: bar colour on the left, background on the right.
  const TRect p = Grid->CellRect(1, 6);
  const int midY = p.Top + p.Height() / 2;
  EXPECT_EQ(probe::BgrAt(img, p.Left + 6, midY), 0xC07020u);
  EXPECT_EQ(probe::BgrAt(img, p.Right - 6, midY), 0xFFFFFFu);

  // A rating of 3.7 of 5: three full stars, a half star (its left half in
  // the fill colour, its right half empty), one empty star.
  const TRect rating = Grid->CellRect(1, 8);
  const int starTop = rating.Top + Grid->XYOffset().Y;
  const int firstLeft = rating.Left + Grid->XYOffset().X - 1;
  auto count = [&](int i, int dx, int w, uint32_t colour) {
    return probe::Count(img, probe::IsBgr(colour), QRect(firstLeft + 18 * i + dx, starTop, w, 17));
  };
  for (int i = 0; i < 3; ++i) {
    EXPECT_GT(count(i, 0, 17, 0x00A5FF), 60) << "star " << i;
    EXPECT_EQ(count(i, 0, 17, 0xD0D0D0), 0) << "star " << i;
  }
  EXPECT_GT(count(3, 2, 8, 0x00A5FF), 25);
  EXPECT_GT(count(3, 11, 8, 0xD0D0D0), 15);
  EXPECT_LT(count(3, 12, 7, 0x00A5FF), 6);
  EXPECT_EQ(count(4, 0, 19, 0x00A5FF), 0);
  EXPECT_GT(count(4, 0, 19, 0xD0D0D0), 60);

  // Each painted button remembers where it went: its rectangle lies inside
  // its cell and is its size.
  const TRect go = Grid->GetButtonRect(1, 5);
  const TRect cell = Grid->CellRect(1, 5);
  EXPECT_EQ(go.Width(), 70);
  EXPECT_EQ(go.Height(), 20);
  EXPECT_GE(go.Left, cell.Left);
  EXPECT_LE(go.Right, cell.Right);
  EXPECT_GE(go.Top, cell.Top);
  // A centred button sits in the middle of its cell.
  EXPECT_LE(std::abs((go.Left + go.Right) - (cell.Left + cell.Right)), 4);

  // Images: the data image shows image 2 (0xD07020 border).
  EXPECT_GT(probe::Count(img, probe::IsBgr(0xD07020), QRect(Grid->CellRect(2, 9).Left, Grid->CellRect(2, 9).Top,
                                                             kColWidth, kRowHeight)),
            40);
  // The multi-image cell shows all four side by side.
  const TRect multi = Grid->CellRect(3, 9);
  for (TColor c : {0x2030D0, 0x30A030, 0xD07020, 0x20B0E0})
    EXPECT_GT(probe::Count(img, probe::IsBgr(c), QRect(multi.Left, multi.Top, kColWidth, kRowHeight)), 40);
}

TEST_F(GraphicPaintTest, ColouredStyleWithTheGridsGlyphs) {
  Grid->SetComponentStyle(tsOffice2019Gray);
  Grid->ControlLook()->SetControlStyle(TControlLook::csWinXP);
  Grid->CellNode()->SetNodeType(cnXP);
  const QImage xp = Paint();
  Keep(xp, QStringLiteral("grid-cell-graphics-office2019gray-xp.png"));
  // The XP glyphs: a green tick in a checked box, none in an unchecked one.
  auto green = [](QRgb p) { return qGreen(p) > 120 && qRed(p) < 90 && qBlue(p) < 90; };
  auto inCell = [&](int c, int r) {
    const TRect cr = Grid->CellRect(c, r);
    return QRect(cr.Left, cr.Top, cr.Width(), cr.Height());
  };
  EXPECT_GT(probe::Count(xp, green, inCell(2, 1)), 6);
  EXPECT_EQ(probe::Count(xp, green, inCell(1, 1)), 0);
  // The checked radio button of the row has its dot; the others not.
  EXPECT_GT(probe::Count(xp, green, inCell(2, 3)), 4);
  EXPECT_EQ(probe::Count(xp, green, inCell(3, 3)), 0);
  // The read-only checked box is drawn disabled: grey, no green.
  EXPECT_EQ(probe::Count(xp, green, inCell(1, 16)), 0);
  EXPECT_GT(Dark(xp, 1, 16) + probe::Count(xp, [](QRgb p) { return probe::Luminance(p) < 215; }, inCell(1, 16)), 8);

  Grid->ControlLook()->SetControlStyle(TControlLook::csVDX);
  Grid->CellNode()->SetNodeType(cnLeaf);
  const QImage vdx = Paint();
  Keep(vdx, QStringLiteral("grid-cell-graphics-office2019gray-vdx.png"));
  EXPECT_GT(Dark(vdx, 2, 1), Dark(vdx, 1, 1) + 6);
  // The leaf glyph: its dark outline inside the node cell, near its left.
  const TRect node = Grid->CellRect(4, 15);
  EXPECT_GT(probe::Count(vdx, [](QRgb p) { return probe::Luminance(p) < 100; },
                         QRect(node.Left, node.Top, 24, node.Height())),
            6);
}

TEST_F(GraphicPaintTest, VisualStyleDrawsBoxesAndButtons) {
  TStyleManager::SetStyle(QStringLiteral("Amethyst Kamri"));
  Grid->ApplyStyleColors(true);
  ASSERT_TRUE(Grid->GetUseKWFStyles());
  const QImage img = Paint();
  Keep(img, QStringLiteral("grid-cell-graphics-amethyst-kamri.png"));
  // The style's boxes: checked and unchecked differ, and a data box with
  // "y" is the unchecked one.
  EXPECT_NE(CellImage(img, 2, 1), CellImage(img, 1, 1));
  EXPECT_EQ(CellImage(img, 2, 2), CellImage(img, 5, 2));
  // The style's push button differs from the classic one drawn without it.
  const QImage styledButton = CellImage(img, 1, 5);
  TStyleManager::SetStyle(QStringLiteral("Windows"));
  Grid->ApplyStyleColors(true);
  EXPECT_FALSE(Grid->GetUseKWFStyles());
  EXPECT_NE(CellImage(Paint(), 1, 5), styledButton);
}
