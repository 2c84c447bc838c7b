// The grid tab after a real capture run against the loopback directory:
// every memo line becomes a row with each quoted field in its own cell, the
// initial memo line a one-cell row 0; "Save to XLS" writes a workbook (and
// says so, or says why not); "btnClear" empties memo and grid; a run empties
// the grid first.

#include <gtest/gtest.h>

#include <QFile>

#include "app/uSplashScreen.h"
#include "platform/office/Excel.h"
#include "tests/app/window/WindowSupport.h"

using namespace windowtest;

namespace {

const QString kInitialLine = QStringLiteral("Scraping results, one page at a time...");

TFileDialogResult Chosen(const QString& FileName) {
  TFileDialogResult r;
  r.Accepted = true;
  r.Files << FileName;
  return r;
}

// The cells a result line should give: the quoted fields without their
// quotes, in the ANSI code page's reach.
QStringList FieldsOf(const QString& Line) {
  const QString ansi = TEncoding::ANSI()->GetString(TEncoding::ANSI()->GetBytes(Line));
  if (!ansi.startsWith(u'"') || !ansi.endsWith(u'"')) return {ansi};
  return ansi.mid(1, ansi.size() - 2).split(QStringLiteral("\",\""));
}

QStringList RowOf(TKitStringGrid* g, int r, int n) {
  QStringList out;
  for (int c = 0; c < n; ++c) out << g->Cells(c, r);
  return out;
}

}  // namespace

TEST(MainWindowGridTab, ACaptureRunLandsInTheGridAndSavesAsAWorkbook) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  TSuperBrowser* browser = w->webbrowser1;
  TKitStringGrid* g = w->sgExcel;
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->Parent(), w->tbSaveToExcel);
  EXPECT_EQ(g->ColCount(), 25);
  EXPECT_EQ(g->FixedRows(), 0);
  EXPECT_EQ(g->FixedCols(), 0);

  // Something in the grid before the run: the run empties it.
  g->SetCells(20, 40, QStringLiteral("stale"));
  const QString results = env->Server->ResultsUrl(QStringLiteral("plombier"), QStringLiteral("paris"), 1);
  PageDelay = 0;
  browser->Navigate(results);
  ASSERT_TRUE(WaitForUrl(browser, results));
  w->mmResults->Lines()->Clear();
  w->mmResults->Lines()->Add(kInitialLine);
  w->PageControl1->SetActivePage(w->tbResults);
  {
    testsupport::FakeMessageDialogs dialogs;
    dialogs.Answers = {mrNo, mrOk};  // keep the initial line
    w->btnCapture->Click();
  }
  EXPECT_EQ(g->Cells(20, 40), QString());
  const int lines = w->mmResults->Lines()->Count();
  ASSERT_EQ(lines, 64) << "the initial line and 21 listings on each of three pages";

  // To the grid tab as the user does it.
  w->PageControl1->SelectNextPage(true);
  ASSERT_EQ(w->PageControl1->ActivePage(), w->tbSaveToExcel);
  EXPECT_EQ(g->RowCount(), lines);
  EXPECT_EQ(RowOf(g, 0, 2), (QStringList{kInitialLine, QString()}));
  for (int r = 1; r < lines; ++r) {
    const QStringList fields = FieldsOf(w->mmResults->Lines()->Strings(r));
    SCOPED_TRACE(w->mmResults->Lines()->Strings(r).toStdString());
    ASSERT_GT(fields.size(), 3);
    EXPECT_EQ(RowOf(g, r, int(fields.size())), fields);
    EXPECT_FALSE(g->Cells(0, r).startsWith(u'"'));
  }

  // "Save to XLS": the dialog, the status window, the workbook.
  testsupport::TempDir dir;
  const QString file = dir.File(QStringLiteral("leads.xls"));
  {
    testsupport::FakeFileDialogs files;
    testsupport::FakeMessageDialogs dialogs;
    files.Answers = {Chosen(file)};
    w->ToolButton5->Click();
    EXPECT_TRUE(dialogs.Requests.isEmpty());
    ASSERT_EQ(files.Requests.size(), 1);
    EXPECT_EQ(files.Requests[0].Title,
              QStringLiteral("Save to EXCEL, Salvare, guardar, sauvegarder... (Please add extension XLS or XLSX)"));
    EXPECT_EQ(StatusWindow->lblMessages->Caption(),
              QStringLiteral("The data has been saved to file \r") + file + QStringLiteral("."));
    EXPECT_FALSE(StatusWindow->Visible());
  }
  ASSERT_TRUE(testsupport::ReadBytes(file).startsWith("PK")) << "Office Open XML whatever the name says";
  Excel::WorkbookPtr book = Excel::NewApplication()->WorkBooks()->Open(file);
  Excel::WorksheetPtr sheet = book->Sheets(1);
  EXPECT_EQ(sheet->Rows()->Cells(1, 1)->Value().toString(), kInitialLine);
  const QStringList second = FieldsOf(w->mmResults->Lines()->Strings(1));
  for (int c = 0; c < second.size(); ++c)
    if (!second[c].isEmpty()) EXPECT_EQ(sheet->Rows()->Cells(2, c + 1)->Value().toString(), second[c]);
  book->Close(false);

  // A folder that cannot be written: the message names the file.
  {
    testsupport::FakeFileDialogs files;
    testsupport::FakeMessageDialogs dialogs;
    const QString bad = QStringLiteral("/nonexistent-folder/leads.xlsx");
    files.Answers = {Chosen(bad)};
    w->ToolButton5->Click();
    ASSERT_EQ(dialogs.Requests.size(), 1);
    EXPECT_EQ(dialogs.Requests[0].Text,
              QStringLiteral("Data cannot be saved to XLS! Is EXCEL installed on your PC? Please make sure this "
                             "folder is writable first!") +
                  bad);
    EXPECT_FALSE(StatusWindow->Visible());
  }

  // The save dialog keeps the workbook's filter and title for later saves,
  // with its default extension. Its start state comes back for the other
  // tests of this window.
  EXPECT_EQ(w->SaveDialog1->Filter(), QStringLiteral("Excel file|*.xls*|"));
  EXPECT_EQ(w->SaveDialog1->DefaultExt(), QStringLiteral("csv"));
  w->SaveDialog1->SetFilter(QStringLiteral("CSV database or excel text file|*.csv|Text file|*.txt"));
  w->SaveDialog1->SetTitle(QStringLiteral("Save data as..."));
  w->SaveDialog1->SetFileName(QStringLiteral("tfn1.csv"));

  // "btnClear" empties memo and grid.
  w->ToolButton7->Click();
  EXPECT_EQ(w->mmResults->Lines()->Count(), 0);
  for (int r = 0; r < g->RowCount(); ++r)
    for (int c = 0; c < g->ColCount(); ++c) ASSERT_EQ(g->Cells(c, r), QString()) << c << "," << r;
  w->PageControl1->SelectNextPage(false);
  EXPECT_EQ(w->PageControl1->ActivePage(), w->tbResults);
}

TEST(MainWindowGridTab, HandOverSplitsAtQuoteCommaQuoteAndKeepsUncoveredColumns) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  TKitStringGrid* g = w->sgExcel;
  g->Clear();
  g->SetCells(5, 1, QStringLiteral("kept"));
  w->mmResults->Lines()->Clear();
  w->mmResults->Lines()->Add(QStringLiteral("\"A\",\"B \"\"x\"\"\",\"C\""));
  w->mmResults->Lines()->Add(QStringLiteral("\"Value \",\" with\",\"inside\",\"Łódź €\""));
  w->ToolButton3Click(nullptr);
  EXPECT_EQ(g->Delimiter(), QChar(0xA4));
  EXPECT_EQ(g->RowCount(), 2);
  EXPECT_EQ(RowOf(g, 0, 3), (QStringList{"A", "B \"x\"", "C"}));
  // Quote-comma-quote inside a value splits it; characters outside the code
  // page become question marks.
  EXPECT_EQ(RowOf(g, 1, 4), (QStringList{"Value ", " with", "inside", "?\u00F3d? \u20AC"}));
  EXPECT_EQ(g->Cells(5, 1), QStringLiteral("kept"));
}
