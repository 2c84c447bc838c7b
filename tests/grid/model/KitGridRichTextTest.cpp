// Hyperlinks in cell texts, rich-text cells (conversion through the hidden
// rich edit, stripping, measuring and painting) and the stripped text of
// markup cells.

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include "grid/model/KitGrid.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/RichText.h"
#include "platform/vcl/Themes.h"
#include "tests/harness/Harness.h"
#include "tests/support/PixelProbes.h"
#include "tests/support/TestSupport.h"

namespace {

const QString kRichRed = QStringLiteral(
    "{\\rtf1\\ansi{\\colortbl;\\red255\\green0\\blue0;\\red0\\green160\\blue0;\\red255\\green255\\blue0;}"
    "{\\b Bold} {\\cf1 RED}}");
const QString kRichMixed = QStringLiteral(
    "{\\rtf1\\ansi{\\colortbl;\\red255\\green0\\blue0;\\red0\\green160\\blue0;\\red255\\green255\\blue0;}"
    "{\\i it} {\\cf2\\ul green} {\\highlight3 mark}}");
const QString kRichBig = QStringLiteral("{\\rtf1 {\\fs48 Big}}");

class TExposedGrid : public TKitStringGrid {
 public:
  using TKitStringGrid::Destroying;
  using TKitStringGrid::TKitStringGrid;
};

class GridRichTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(10, 10, 600, 300);
    Grid = Create<TExposedGrid>(Form.get());
    Grid->SetBounds(0, 0, 500, 200);
    Grid->SetBorderStyle(bsNone);
    Grid->SetScrollBars(ssNone);
    Grid->SetColCount(4);
    Grid->SetRowCount(6);
    Grid->SetFixedRows(1);
    Grid->SetFixedCols(0);
    Grid->SetDefaultColWidth(120);
    Grid->SetDefaultRowHeight(30);
    Grid->SetURLShow(true);
    Grid->SetParent(Form.get());
    ASSERT_TRUE(vcltest::ShowAndActivate(Form.get()));
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
  static QRect Q(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

  std::unique_ptr<TForm> Form;
  TExposedGrid* Grid = nullptr;
};

}  // namespace

TEST_F(GridRichTextTest, HyperlinksInCellTexts) {
  struct TCase {
    QString Text;
    bool Has;
    QString Link, Url, AnchorText;
  } cases[] = {
      {"<a href=\"HTTP://Example.COM/Path\">Go</a>", true, "http://example.com/path", "HTTP://Example.COM/Path", "Go"},
      // Table order, not position: http before mailto.
      {"mailto:me@example.com or http://site.example/x", true, "http://site.example/x", "http://site.example/x", ""},
      {"see https://secure.example/a b", true, "https://secure.example/a b", "https://secure.example/a b", ""},
      {"link 'ftp://files.example/f' here", true, "ftp://files.example/f", "ftp://files.example/f", ""},
      {"MAILTO:ME@EXAMPLE.COM", false, "mailto:me@example.com", "MAILTO:ME@EXAMPLE.COM", ""},
      {"x://y", true, "", "", ""},
      {"plain text", false, "", "", ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Text.toStdString());
    Grid->SetCells(1, 1, c.Text);
    EXPECT_EQ(Grid->HasHyperlink(1, 1), c.Has);
    EXPECT_EQ(Grid->GetHyperlink(1, 1), c.Link);
    EXPECT_EQ(Grid->Hyperlink(1, 1), c.Link);
    QString url = "old", text = "old";
    Grid->GetHyperlinkDetails(1, 1, url, text);
    EXPECT_EQ(url, c.Url);
    EXPECT_EQ(text, c.AnchorText);
  }
  Grid->SetCells(1, 2, "<p>Name <CoNtRoL type=\"edit\" id=\"x\"></p>");
  EXPECT_TRUE(Grid->HasHTMLForm(1, 2));
  Grid->SetCells(1, 2, "<b>no form</b>");
  EXPECT_FALSE(Grid->HasHTMLForm(1, 2));
}

TEST_F(GridRichTextTest, UrlsInTextBecomeAnchorsForDisplay) {
  struct TCase {
    QString Text;
    QString Shown;
  } cases[] = {
      {"visit www.a.example and http://b.example/x now",
       "visit www.a.example and <a href=\"http://b.example/x\">http://b.example/x</a> now"},
      {"only www.a.example here", "only <a href=\"www.a.example\">www.a.example</a> here"},
      {"1 < 2 mailto:me@x.example", "1 &lt; 2 <a href=\"mailto:me@x.example\">mailto:me@x.example</a>"},
      {"no link at all", "no link at all"},
  };
  for (const TCase& c : cases) {
    QString value = c.Text;
    Grid->SetURLShowInText(false);
    Grid->GetDisplText(1, 1, value);
    EXPECT_EQ(value, c.Text) << "off: the text as it is";
    Grid->SetURLShowInText(true);
    value = c.Text;
    Grid->GetDisplText(1, 1, value);
    EXPECT_EQ(value, c.Shown);
  }
}

TEST_F(GridRichTextTest, StrippedCellsOfEveryKind) {
  struct TCase {
    QString Text;
    QString Stripped;
  } cases[] = {
      {kRichRed, "Bold RED"},
      {"{\\rtf1 one\\par two}", "one\r\ntwo"},
      {"<b>x</b><br>y", "x\r\ny"},
      {"a<hr>b", "a\r\nb"},
      {"plain", "plain"},
      {"", ""},
  };
  for (const TCase& c : cases) {
    Grid->SetCells(2, 2, c.Text);
    EXPECT_EQ(Grid->StrippedCells(2, 2), c.Stripped) << c.Text.toStdString();
  }
}

TEST_F(GridRichTextTest, RichTextMovesBetweenCellsAndARichEdit) {
  TRichEdit edit;
  Grid->SetCells(1, 1, kRichMixed);
  Grid->CellToRich(1, 1, &edit);
  EXPECT_EQ(edit.Text(), "it green mark");
  Grid->RichToCell(2, 3, &edit);
  const QString stored = Grid->Cells(2, 3);
  EXPECT_TRUE(stored.startsWith("{\\rtf1")) << stored.toStdString();
  EXPECT_FALSE(stored.contains(QChar(0)));
  EXPECT_EQ(Grid->StrippedCells(2, 3), "it green mark");
  // The formats travel with it.
  TRichEdit again;
  Grid->CellToRich(2, 3, &again);
  bool italic = false, greenUnderlined = false, marked = false;
  for (QTextBlock b = again.Document()->begin(); b.isValid(); b = b.next())
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextCharFormat f = it.fragment().charFormat();
      if (it.fragment().text() == "it") italic = f.fontItalic();
      if (it.fragment().text() == "green")
        greenUnderlined = f.fontUnderline() && f.foreground().color() == QColor(0, 160, 0);
      if (it.fragment().text() == "mark") marked = f.background().color() == QColor(255, 255, 0);
    }
  EXPECT_TRUE(italic);
  EXPECT_TRUE(greenUnderlined);
  EXPECT_TRUE(marked);
  // Characters outside the 8-bit code page survive the cell's text form.
  Grid->SetCells(1, 4, QString::fromUtf8("{\\rtf1 Привет €}"));
  EXPECT_EQ(Grid->StrippedCells(1, 4), QString::fromUtf8("Привет €"));
  // An empty cell empties the rich edit.
  Grid->SetCells(1, 5, "");
  Grid->CellToRich(1, 5, &edit);
  EXPECT_EQ(edit.Text(), "");
  // While the grid is being destroyed the rich edit gives no text.
  Grid->CellToRich(2, 3, &edit);
  EXPECT_FALSE(Grid->RichToString(&edit).isEmpty());
  Grid->Destroying();
  EXPECT_EQ(Grid->RichToString(&edit), "");
}

TEST_F(GridRichTextTest, RichTextMeasuresByItsFormats) {
  Grid->SetCells(1, 1, kRichBig);
  Grid->SetCells(2, 1, "Big");
  const TSize rich = Grid->GetCellTextSize(1, 1, false, false);
  const TSize plain = Grid->GetCellTextSize(2, 1, false, false);
  EXPECT_GT(rich.cy, plain.cy * 3 / 2) << "24-point text is taller than the cell font's";
  EXPECT_GT(rich.cx, plain.cx);
  // Never smaller than its plain text in the cell font.
  Grid->SetCells(1, 2, "{\\rtf1 Some words}");
  Grid->SetCells(2, 2, "Some words");
  EXPECT_GE(Grid->GetCellTextSize(1, 2, false, false).cx, Grid->GetCellTextSize(2, 2, false, false).cx);
  EXPECT_GE(Grid->GetCellTextSize(1, 2, true, false).cy, Grid->GetCellTextSize(2, 2, true, false).cy);
}

TEST_F(GridRichTextTest, RichTextCellsArePaintedWithTheirFormats) {
  const auto fill = [&] {
    Grid->SetCells(0, 0, "Kind");
    Grid->SetCells(1, 0, "Rich text");
    Grid->SetCells(2, 0, "Links");
    Grid->SetCells(3, 0, "Plain");
    Grid->SetCells(0, 1, "bold/red");
    Grid->SetCells(1, 1, kRichRed);
    Grid->SetCells(0, 2, "mixed");
    Grid->SetCells(1, 2, kRichMixed);
    Grid->SetCells(0, 3, "big");
    Grid->SetCells(1, 3, kRichBig);
    Grid->SetCells(2, 1, "https://www.example.com/a");
    Grid->SetCells(2, 2, "mailto:someone@example.com");
    Grid->SetCells(2, 3, "<a href=\"http://x.example\">anchor</a>");
    Grid->SetCells(3, 1, "{\\rtf source}");
    Grid->SetCells(3, 2, "plain text");
  };
  fill();
  Grid->SetEnableHTML(true);
  const QString folder = testsupport::TestOutputFolder();
  struct TStyle {
    const char* Name;
    const char* File;
  } styles[] = {{"Windows", "rich-text-grid-windows.png"}, {"Amethyst Kamri", "rich-text-grid-amethyst.png"}};
  for (const TStyle& s : styles) {
    SCOPED_TRACE(s.Name);
    TStyleManager::SetStyle(QString::fromLatin1(s.Name));
    Grid->ApplyStyleColors();
    vcltest::Pump();
    Grid->FocusCell(3, 4);
    const QImage img = Paint();
    img.save(QDir(folder).filePath(QString::fromLatin1(s.File)));

    // The red run in red, the green run in green, the marked run on yellow.
    const QRect red = Q(Grid->CellRect(1, 1));
    EXPECT_GT(probe::Count(img, [](QRgb p) { return qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60; }, red), 15);
    const QRect mixed = Q(Grid->CellRect(1, 2));
    EXPECT_GT(probe::Count(img, [](QRgb p) { return qGreen(p) > 120 && qRed(p) < 60 && qBlue(p) < 60; }, mixed), 15);
    EXPECT_GT(probe::Count(img, probe::IsRgb(qRgb(255, 255, 0)), mixed), 60);
    // The RTF source is not what is shown: the rich cells hold no "{" text
    // as wide as the plain one; the big text has more ink than the small.
    const QRect big = Q(Grid->CellRect(1, 3));
    const auto ink = [](QRgb p) { return probe::Luminance(p) < 110; };
    EXPECT_GT(probe::Count(img, ink, big), probe::Count(img, ink, Q(Grid->CellRect(0, 3))) * 2);
    // Links in the URL colour.
    EXPECT_GT(probe::Count(img, probe::IsBgr(uint32_t(Grid->URLColor())), Q(Grid->CellRect(2, 1))), 20);
  }
  TStyleManager::SetStyle(QStringLiteral("Windows"));
  Grid->ApplyStyleColors();

  // A selected rich-text cell shows its text in the selection text colour,
  // unless SelectionRTFKeep keeps its own colours.
  Grid->SetSelectionTextColor(0xC00000);  // blue
  Grid->SetSelectionColor(0xF0F0F0);
  Grid->SetSelection(TGridRect{1, 1, 1, 1});
  Grid->SetOptions(Grid->Options() + TGridOptions{goDrawFocusSelected});
  QImage img = Paint();
  const QRect cell = Q(Grid->CellRect(1, 1));
  EXPECT_EQ(probe::Count(img, [](QRgb p) { return qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60; }, cell), 0);
  EXPECT_GT(probe::Count(img, [](QRgb p) { return qBlue(p) > 150 && qRed(p) < 60 && qGreen(p) < 60; }, cell), 15);
  Grid->SetSelectionRTFKeep(true);
  img = Paint();
  EXPECT_GT(probe::Count(img, [](QRgb p) { return qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60; }, cell), 15);
  // Printing's path: any canvas, any rectangle.
  TBitmap bmp;
  bmp.SetSize(200, 40);
  bmp.Canvas()->Brush()->SetColor(clWhite);
  bmp.Canvas()->FillRect(TRect(0, 0, 200, 40));
  Grid->PaintRichText(1, 1, TRect(0, 0, 200, 40), bmp.Canvas());
  const QImage printed = bmp.ToImage();
  EXPECT_GT(probe::Count(printed, [](QRgb p) { return qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60; },
                         QRect(0, 0, 200, 40)),
            15);
}
