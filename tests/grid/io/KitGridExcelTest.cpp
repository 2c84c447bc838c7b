// Workbooks from and into the grid: the automation calls in order (through a
// recording server over the real objects), the A1 ranges, the running-server
// branch, the errors, and round trips through real files.

#include <gtest/gtest.h>

#include <QFile>

#include "grid/model/KitGrid.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/platform/office/support/RecordingExcel.h"
#include "tests/support/TestSupport.h"

using gridtest::NewGrid;

namespace {

std::unique_ptr<TKitStringGrid> Filled(int Cols, int Rows) {
  auto g = NewGrid();
  g->SetFixedRows(0);
  g->SetFixedCols(0);
  g->SetColCount(Cols);
  g->SetRowCount(Rows);
  for (int r = 0; r < Rows; ++r)
    for (int c = 0; c < Cols; ++c) g->SetCells(c, r, QStringLiteral("r%1c%2").arg(r).arg(c));
  return g;
}

QList<QStringList> Cells(TKitStringGrid& g) {
  QList<QStringList> rows;
  for (int r = 0; r < g.RowCount(); ++r) {
    QStringList row;
    for (int c = 0; c < g.ColCount(); ++c) row << g.GridCells(c, r);
    rows << row;
  }
  return rows;
}

TEST(GridExcel, NewWorkbookCallsInOrder) {
  testsupport::TempDir dir;
  officetest::TRecordingServer server;
  officetest::TScopedServer scoped(&server);
  struct TCase {
    int Cols;
    QString Range;
  };
  for (const TCase& c : {TCase{25, u"A1:Y50"_qs}, TCase{27, u"A1:AA50"_qs}, TCase{52, u"A1:AZ50"_qs},
                         TCase{53, u"A1:BA50"_qs}}) {
    server.Clear();
    auto g = Filled(c.Cols, 50);
    const QString file = dir.File(u"out.xls"_qs);
    g->SaveToXLS(file, false);
    const QStringList log = server.Log();
    SCOPED_TRACE(log.join(u'\n').toStdString());
    EXPECT_EQ(log.value(0), u"GetActiveOleObject(excel.application) -> none"_qs);
    EXPECT_EQ(log.value(1), u"CreateOleObject(excel.application)"_qs);
    const qsizetype add = log.indexOf(u"WorkBooks.Add"_qs);
    const qsizetype value = log.indexOf(QStringLiteral("Sheets(1).Range(%1).Value := 50x%2").arg(c.Range).arg(c.Cols));
    const qsizetype save = log.indexOf(QStringLiteral("Workbook.SaveAs(%1)").arg(file));
    EXPECT_GE(add, 0);
    EXPECT_GT(value, add);
    EXPECT_GT(save, value);
    EXPECT_EQ(log.last(), u"Quit"_qs);
    // Office Open XML whatever the name says.
    EXPECT_TRUE(testsupport::ReadBytes(file).startsWith("PK"));
  }
}

TEST(GridExcel, ARunningServerKeepsItsWorkbookAndIsNotQuit) {
  testsupport::TempDir dir;
  officetest::TRecordingServer server;
  officetest::TScopedServer scoped(&server);
  Excel::ApplicationPtr running = Excel::NewApplication();
  running->WorkBooks()->Add();
  server.RunningInstance = server.Wrap(running);
  server.ActiveCellRow = 7;
  auto g = Filled(3, 4);
  g->SaveToXLS(dir.File(u"running.xlsx"_qs), false);
  const QStringList log = server.Log();
  SCOPED_TRACE(log.join(u'\n').toStdString());
  EXPECT_FALSE(log.contains(u"WorkBooks.Add"_qs));
  EXPECT_FALSE(log.contains(u"Quit"_qs));
  bool wroteAtActiveRow = false;
  for (const QString& line : log) wroteAtActiveRow |= line.contains(u"Range(A7:C10).Value := 4x3"_qs);
  EXPECT_TRUE(wroteAtActiveRow);
  EXPECT_TRUE(QFile::exists(dir.File(u"running.xlsx"_qs)));
  running->Quit();
}

TEST(GridExcel, ErrorsReachTheCaller) {
  officetest::TRecordingServer server;
  officetest::TScopedServer scoped(&server);
  auto g = Filled(2, 2);
  server.ServerMissing = true;
  EXPECT_EQ(testsupport::ErrorOf<EKitGridError>([&] { g->SaveToXLS(u"/tmp/never.xlsx"_qs, false); }),
            u"Excel OLE server not found"_qs);
  EXPECT_EQ(testsupport::ErrorOf<EKitGridError>([&] { g->LoadFromXLS(u"/tmp/never.xlsx"_qs); }),
            u"Excel OLE server not found"_qs);
  EXPECT_EQ(g->Cells(1, 1), u"r1c1"_qs);
  server.ServerMissing = false;
  // A folder that does not exist: the save fails and says so.
  const QString error =
      testsupport::ErrorOf<EKitGridError>([&] { g->SaveToXLS(u"/nonexistent-folder/x.xlsx"_qs, false); });
  EXPECT_TRUE(error.startsWith(u"The workbook \"/nonexistent-folder/x.xlsx\" cannot be saved: "_qs)) << error.toStdString();
  EXPECT_EQ(server.Log().last(), u"Quit"_qs);
}

TEST(GridExcel, RoundTripsThroughAFile) {
  testsupport::TempDir dir;
  const QList<QStringList> rows = {
      {u"Name"_qs, u"Postcode"_qs, u"Note"_qs},
      {u"Crêperie « Saint-Étienne »"_qs, u"01000"_qs, u"=1+1"_qs},
      {u"日本語 😀"_qs, QString(), u"line one\nline two"_qs},
  };
  auto g = Filled(3, 3);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) g->SetCells(c, r, rows[r][c]);
  g->SetCells(2, 2, u"line one\r\nline two"_qs);  // CR LF reaches the workbook as LF
  const QString file = dir.File(u"leads.xls"_qs);
  g->SaveToXLS(file, false);
  auto back = Filled(1, 1);
  back->LoadFromXLS(file);
  EXPECT_EQ(Cells(*back), rows);

  // Fixed cells not saved: the sheet lands behind the fixed row and column.
  auto offset = NewGrid();
  offset->SetFixedRows(1);
  offset->SetFixedCols(1);
  offset->SetSaveFixedCells(false);
  offset->LoadFromXLS(file);
  EXPECT_EQ(offset->ColCount(), 4);
  EXPECT_EQ(offset->RowCount(), 4);
  EXPECT_EQ(offset->Cells(2, 2), u"01000"_qs);
  EXPECT_EQ(offset->FixedRows(), 1);
}

TEST(GridExcel, LegacyWorkbooksLoadTheirActiveSheetWithFormulaResults) {
  // A workbook LibreOffice wrote in the legacy format, its second sheet
  // active.
  const QString file = QStringLiteral(TF_XLS_FIXTURES_DIR "/values.xls");
  auto g = NewGrid();
  g->SetFixedRows(0);
  g->SetFixedCols(0);
  g->LoadFromXLS(file);
  EXPECT_EQ(g->ColCount(), 12);
  EXPECT_EQ(g->RowCount(), 40);
  struct TCase {
    int Col, Row;
    QString Text;
  };
  for (const TCase& c : {TCase{0, 0, u"Ærø Zoë"_qs}, TCase{1, 0, u"Crêpe Saint-Étienne"_qs}, TCase{5, 0, u"4.5"_qs},
                         TCase{1, 1, u"3"_qs},  // =C1+D1
                         TCase{2, 1, u"second sheet"_qs}, TCase{11, 39, u"far away"_qs}, TCase{0, 1, QString()}}) {
    SCOPED_TRACE(c.Text.toStdString());
    EXPECT_EQ(g->Cells(c.Col, c.Row), c.Text);
  }

  // The first sheet by name: formulas give their results; error values
  // leave the cell as it was.
  g->SetColCount(12);
  g->SetRowCount(5);
  g->SetCells(6, 3, u"kept"_qs);
  g->SetCells(7, 3, u"kept too"_qs);
  g->LoadFromXLSSheet(file, u"Values"_qs);
  for (const TCase& c : {TCase{1, 3, u"6"_qs}, TCase{2, 3, u"ab"_qs}, TCase{4, 3, u"True"_qs}, TCase{5, 3, u"False"_qs},
                         TCase{6, 3, u"kept"_qs},      // #DIV/0!
                         TCase{7, 3, u"kept too"_qs},  // #N/A
                         TCase{8, 3, QString()}, TCase{10, 3, u"35"_qs}, TCase{11, 3, u"Zoë Crêpe Saint-Étienne"_qs},
                         TCase{1, 4, u"True"_qs}, TCase{2, 4, u"False"_qs}, TCase{6, 4, u"3/15/2024"_qs},
                         TCase{7, 4, u"3/15/2024 6:30:00 PM"_qs}, TCase{8, 4, u"2/1/2020"_qs}}) {
    SCOPED_TRACE(c.Text.toStdString());
    EXPECT_EQ(g->Cells(c.Col, c.Row), c.Text);
  }
  EXPECT_EQ(g->Cells(3, 3), QString(300, u'é'));
}

TEST(GridExcel, NamedSheetsAreAddedAndUpdatedInPlace) {
  testsupport::TempDir dir;
  const QString file = dir.File(u"book.xlsx"_qs);
  Filled(2, 2)->SaveToXLSSheet(file, u"Leads"_qs);
  std::unique_ptr<TStringList> names(Filled(1, 1)->GetXLSSheets(file));
  EXPECT_EQ(names->Text(), u"Leads\r\nSheet1\r\n"_qs);
  auto second = Filled(1, 1);
  second->SetCells(0, 0, u"other"_qs);
  second->SaveToXLSSheet(file, u"Other"_qs);
  auto update = Filled(2, 1);
  update->SetCells(0, 0, u"new"_qs);
  update->SaveToXLSSheet(file, u"Leads"_qs);
  names.reset(update->GetXLSSheets(file));
  EXPECT_EQ(names->Count(), 3);
  auto leads = Filled(1, 1);
  leads->LoadFromXLSSheet(file, u"Leads"_qs);
  EXPECT_EQ(Cells(*leads), (QList<QStringList>{{u"new"_qs, u"r0c1"_qs}, {u"r1c0"_qs, u"r1c1"_qs}}));
  leads->LoadFromXLSSheet(file, u"Other"_qs);
  EXPECT_EQ(leads->Cells(0, 0), u"other"_qs);
  EXPECT_EQ(testsupport::ErrorOf<EKitGridError>([&] { leads->LoadFromXLSSheet(file, u"Nope"_qs); }),
            u"Excel worksheet Nope not found"_qs);
  EXPECT_EQ(leads->Cells(0, 0), u"other"_qs);
}

}  // namespace
