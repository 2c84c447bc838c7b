// A picture of the main window in the program's own style, for looking at:
// tool bars with pictures and captions, the address bar, the browser on a
// result page, the results memo and the status bar.

#include <gtest/gtest.h>

#include <QImage>

#include "platform/vcl/Themes.h"
#include "tests/app/window/WindowSupport.h"
#include "tests/support/PixelProbes.h"

using namespace windowtest;

namespace {

QRect AreaOf(TControl* Control, TCustomForm* Form) {
  const TPoint p = Control->ClientToScreen(TPoint(0, 0));
  const TPoint f = Form->ClientToScreen(TPoint(0, 0));
  return QRect(p.X - f.X, p.Y - f.Y, Control->Width(), Control->Height());
}

}  // namespace

TEST(MainWindowPicture, GrabInAmethystKamri) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  TSuperBrowser* browser = w->webbrowser1;
  TStyleManager::SetStyle(QStringLiteral("Amethyst Kamri"));
  w->SetWindowState(wsNormal);
  w->SetBounds(0, 0, 1400, 820);
  ASSERT_TRUE(vcltest::ShowAndActivate(w));
  w->PageControl1->SetWidth(460);
  w->PageControl1->SetActivePage(w->tbResults);

  const QString results = env->Server->ResultsUrl(QStringLiteral("plombier"), QStringLiteral("paris"), 1);
  w->edURL->SetText(results);
  w->btnGo->Click();
  ASSERT_TRUE(WaitForTitle(browser, QStringLiteral("Plombier Paris - page 1")));
  w->mmResults->Lines()->Clear();
  for (const auto& l : env->Server->Listings(QStringLiteral("plombier"), QStringLiteral("paris"), 1))
    w->mmResults->Lines()->Add(QStringLiteral("\"%1\",\"%2\",\"\",\"%3\",\"%4\",\"%5\"")
                                   .arg(l.Name, l.Phone, l.Street, l.Zip, l.City));
  enginetest::PumpUntil([] { return false; }, 1500);

  const QImage picture = w->WindowFrame()->grab().toImage();
  ASSERT_FALSE(picture.isNull());
  EXPECT_TRUE(picture.save(OutputFolder() + QStringLiteral("/main-window.png"), "PNG"));
  EXPECT_GE(picture.width(), 1400);

  // Something is drawn in each part: icons and captions, the address edit,
  // the memo's lines and the status panels.
  const QImage client = w->Widget()->grab().toImage();
  for (TControl* part : std::initializer_list<TControl*>{w->tbarNav, w->pnAddress, w->ToolBar3, w->ToolBar2,
                                                         w->mmResults, w->StatusBar1})
    EXPECT_GT(probe::DistinctColors(client, AreaOf(part, w)), 8) << part->Name().toStdString();
  for (int i = 0; i < w->ImageList1->Count(); ++i) {
    const QImage icon = w->ImageList1->GetImage(i);
    EXPECT_GT(probe::DistinctColors(icon, icon.rect()), 2) << "navigation picture " << i;
  }
}

// The grid tab after a run, in the program's own style: the result lines as
// rows of a spreadsheet, one field a cell, the columns sized to their texts.
TEST(MainWindowPicture, GridTabAfterARunInAmethystKamri) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  TKitStringGrid* g = w->sgExcel;
  TStyleManager::SetStyle(QStringLiteral("Amethyst Kamri"));
  w->SetWindowState(wsNormal);
  w->SetBounds(0, 0, 1400, 820);
  ASSERT_TRUE(vcltest::ShowAndActivate(w));
  w->PageControl1->SetWidth(900);
  w->PageControl1->SetActivePage(w->tbResults);

  w->mmResults->Lines()->Clear();
  w->mmResults->Lines()->Add(QStringLiteral("Scraping results, one page at a time..."));
  const auto listings = env->Server->Listings(QStringLiteral("plombier"), QStringLiteral("paris"), 1);
  for (const auto& l : listings)
    w->mmResults->Lines()->Add(QStringLiteral("\"%1\",\"%2\",\"\",\"%3\",\"%4\",\"%5\"")
                                   .arg(l.Name, l.Phone, l.Street, l.Zip, l.City));
  // To the grid tab as the user goes there: the hand-over and the autosizing.
  w->PageControl1->SelectNextPage(true);
  ASSERT_EQ(w->PageControl1->ActivePage(), w->tbSaveToExcel);
  enginetest::PumpUntil([] { return false; }, 800);

  ASSERT_GT(listings.size(), 0u);
  EXPECT_EQ(g->Cells(0, 1), listings[0].Name);
  EXPECT_EQ(g->Cells(4, 1), listings[0].Zip);
  EXPECT_EQ(g->Cells(5, 1), listings[0].City);
  // Sized to the texts: the name column is wider than the post-code column,
  // and every column holding text is wider than the post code itself needs
  // without padding.
  EXPECT_GT(g->ColWidths(0), g->ColWidths(4));
  for (int c : {0, 1, 3, 4, 5})
    EXPECT_GT(g->ColWidths(c), g->Canvas()->TextWidth(listings[0].Zip)) << "column " << c;

  const QImage picture = w->WindowFrame()->grab().toImage();
  ASSERT_FALSE(picture.isNull());
  EXPECT_TRUE(picture.save(OutputFolder() + QStringLiteral("/grid-tab.png"), "PNG"));
  const QImage client = w->Widget()->grab().toImage();
  EXPECT_GT(probe::DistinctColors(client, AreaOf(g, w)), 8) << "texts, lines and the active cell are drawn";

  w->ToolButton7->Click();  // "btnClear": memo and grid empty again
  w->PageControl1->SetActivePage(w->tbResults);
}
