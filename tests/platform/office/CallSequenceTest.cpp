// The calls a caller makes, in order, through the recording server over the
// real objects: a new workbook with a named sheet, the branch of a running
// instance with an open workbook, reading a sheet back, listing sheets, and
// a machine without the server.

#include <gtest/gtest.h>

#include "platform/office/Excel.h"
#include "tests/platform/office/OfficeTestSupport.h"
#include "tests/platform/office/support/RecordingExcel.h"
#include "tests/support/TestSupport.h"

using namespace Excel;
using namespace officetest;

namespace {

class CallSequenceTest : public ::testing::Test {
 protected:
  TRecordingServer Server;
  TScopedServer Scope{&Server};
  testsupport::TempDir Dir;

  static TVarArray Grid(int rows, int cols) {
    TVarArray a(rows, cols);
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < cols; ++c) a.Set(r, c, QStringLiteral("r%1c%2").arg(r).arg(c));
    return a;
  }

  // Saves a grid the way the writer does when it names a sheet: the running
  // instance first, else a new one; the named sheet, else an added one.
  void SaveToSheet(const QString& file, const QString& sheetName, int rows, int cols) {
    ApplicationPtr app = GetActiveOleObject(QStringLiteral("excel.application"));
    const bool wasRunning = app != nullptr;
    if (!app) app = CreateOleObject(QStringLiteral("excel.application"));
    const bool exists = QFile::exists(file);
    WorkbookPtr book = exists ? app->WorkBooks()->Open(file) : app->WorkBooks()->Add();
    WorksheetPtr sheet;
    for (int i = 1; i <= book->Sheets()->Count(); ++i)
      if (book->Sheets(i)->Name() == sheetName) {
        sheet = book->Sheets(i);
        break;
      }
    if (!sheet) {
      sheet = book->WorkSheets()->Add();
      sheet->SetName(sheetName);
    }
    sheet->Range(RangeAddress({1, 1, rows, cols}))->SetValue(QVariant::fromValue(Grid(rows, cols)));
    if (exists) book->Save();
    else book->SaveAs(file);
    if (!wasRunning) app->Quit();
  }
};

}  // namespace

TEST_F(CallSequenceTest, ANamedSheetInANewFileComesBeforeSheet1) {
  const QString file = Dir.File(QStringLiteral("leads.xls"));
  SaveToSheet(file, QStringLiteral("Leads"), 57, 12);
  EXPECT_EQ(Server.Log(), (QStringList{
                              "GetActiveOleObject(excel.application) -> none",
                              "CreateOleObject(excel.application)",
                              "WorkBooks.Add",
                              "Sheets.Count -> 1",
                              "Sheets(1)",
                              "Sheets(1).Name -> Sheet1",
                              "Sheets.Count -> 1",
                              "WorkSheets.Add",
                              "WorkSheets.Add.Name := Leads",
                              "WorkSheets.Add.Range(A1:L57).Value := 57x12",
                              QStringLiteral("Workbook.SaveAs(%1)").arg(file),
                              "Quit",
                          }));
  // The second save into the same file finds the sheet and saves in place.
  Server.Clear();
  SaveToSheet(file, QStringLiteral("Leads"), 2, 3);
  EXPECT_EQ(Server.Lines({"WorkBooks", "Workbook", "Sheets(1).Name", "Sheets(1).Range", "Quit"}),
            (QStringList{QStringLiteral("WorkBooks.Open(%1)").arg(file), "Sheets(1).Name -> Leads",
                         "Sheets(1).Range(A1:C2).Value := 2x3", "Workbook.Save", "Quit"}));

  // What a reader lists, and the cells.
  Server.Clear();
  ApplicationPtr app = CreateOleObject(QStringLiteral("excel.application"));
  WorkbookPtr book = app->WorkBooks()->Open(file);
  QStringList names;
  for (int i = 1; i <= book->WorkSheets()->Count(); ++i) names << book->WorkSheets()->item(i)->Name();
  book->SetSaved(true);
  EXPECT_EQ(names, (QStringList{"Leads", "Sheet1"}));
  WorksheetPtr sheet = book->Sheets(1);
  sheet->UsedRange();
  const QString address = sheet->UsedRange()->Address();
  const TVarArray values = VarArrayOf(sheet->Range(address)->Value());
  book->Close(false);
  app->Quit();
  EXPECT_EQ(address, "$A$1:$L$57");
  EXPECT_EQ(values.At(1, 1).toString(), "r0c0");   // the second save's cells
  EXPECT_EQ(values.At(2, 3).toString(), "r1c2");
  EXPECT_EQ(values.At(3, 1).toString(), "r2c0");   // the first save's cells below
  EXPECT_EQ(values.At(57, 12).toString(), "r56c11");
  EXPECT_EQ(Server.Lines({"WorkBooks", "WorkSheets.Count", "Workbook", "UsedRange", "Sheets(1).UsedRange", "Sheets(1).Range", "Quit"}),
            (QStringList{QStringLiteral("WorkBooks.Open(%1)").arg(file), "WorkSheets.Count -> 2",
                         "WorkSheets.Count -> 2", "WorkSheets.Count -> 2", "Workbook.Saved := True",
                         "Sheets(1).UsedRange", "Sheets(1).UsedRange", "Sheets(1).UsedRange.Address -> $A$1:$L$57",
                         "Sheets(1).Range($A$1:$L$57).Value -> 57x12", "Workbook.Close(SaveChanges=False)", "Quit"}));
}

TEST_F(CallSequenceTest, ARunningInstanceKeepsItsWorkbookAndIsNotQuit) {
  // The real server never reports a running instance; a prepared one shows
  // the other branch: the active workbook's active sheet from the active row.
  ApplicationPtr running = NewApplication();
  WorkbookPtr open = running->WorkBooks()->Add();
  Server.RunningInstance = running;
  Server.ActiveCellRow = 5;

  ApplicationPtr app = GetActiveOleObject(QStringLiteral("excel.application"));
  ASSERT_NE(app, nullptr);
  ASSERT_EQ(app->WorkBooks()->Count(), 1);
  WorkbookPtr book = app->ActiveWorkBook();
  WorksheetPtr sheet = book->ActiveSheet();
  const int row = app->ActiveCell()->Row();
  sheet->Range(RangeAddress({row, 1, row + 1, 3}))->SetValue(QVariant::fromValue(Grid(2, 3)));
  const QString file = Dir.File(QStringLiteral("running.xlsx"));
  book->SaveAs(file);
  EXPECT_EQ(Server.Log(), (QStringList{"GetActiveOleObject(excel.application) -> instance", "WorkBooks.Count -> 1",
                                       "ActiveWorkBook -> workbook", "ActiveSheet", "ActiveCell.Row -> 5",
                                       "ActiveSheet.Range(A5:C6).Value := 2x3",
                                       QStringLiteral("Workbook.SaveAs(%1)").arg(file)}));
  // The instance still has its workbook open, now under the new name.
  EXPECT_EQ(running->WorkBooks()->Count(), 1);
  EXPECT_EQ(open->FullName(), file);
  EXPECT_EQ(SheetTexts(NewApplication()->WorkBooks()->Open(file)->Sheets(1)),
            (QStringList{"r0c0\tr0c1\tr0c2", "r1c0\tr1c1\tr1c2"}));  // the used range is A5:C6
}

TEST_F(CallSequenceTest, WithoutTheServerCreatingFails) {
  Server.ServerMissing = true;
  EXPECT_EQ(GetActiveOleObject(QStringLiteral("excel.application")), nullptr);
  EXPECT_EQ(testsupport::MessageOf([] { CreateOleObject(QStringLiteral("excel.application")); }),
            "EOleSysError: Invalid class string");
  EXPECT_EQ(Server.Log(), (QStringList{"GetActiveOleObject(excel.application) -> none",
                                       "CreateOleObject(excel.application)"}));
}
