// Workbooks through the spreadsheet automation objects (platform/office):
// the grid's texts go to a sheet in one array and one Value assignment, and
// a sheet's used range comes back in one Value call.
//
// Beyond the automation calls themselves:
// - a save that fails raises EKitGridError with its cause (never reported as
//   done), and so does failing to obtain any workbook;
// - an existing file that cannot be opened is never replaced by a new
//   one-sheet workbook;
// - grids up to the sheet's limits (16,384 columns, 1,048,576 rows) get
//   their full A1 address; a bigger grid raises before anything is written;
// - the reader reads any column letters (A to XFD) and closes the workbook
//   and quits the server it started on every way out.

#include <QFile>

#include "grid/model/KitGrid.h"
#include "grid/model/KitGridUtils.h"
#include "platform/office/Excel.h"
#include "platform/vcl/Forms.h"

namespace {

const QString kServer = QStringLiteral("excel.application");

// The hourglass while an operation runs; the previous cursor on every exit.
struct THourglass {
  TCursor Old = crDefault;
  THourglass() {
    if (Screen) {
      Old = Screen->Cursor();
      Screen->SetCursor(crHourGlass);
    }
  }
  ~THourglass() {
    if (Screen) Screen->SetCursor(Old);
  }
};

[[noreturn]] void ServerNotFound() { throw EKitGridError(QStringLiteral("Excel OLE server not found")); }

Excel::ApplicationPtr NewServer() {
  Excel::ApplicationPtr app;
  try {
    app = Excel::CreateOleObject(kServer);
  } catch (const Exception&) {
    ServerNotFound();
  }
  if (!app) ServerNotFound();
  return app;
}

// Quits a server this operation started, on every way out.
struct TServerQuit {
  Excel::ApplicationPtr App;
  bool Quit = true;
  ~TServerQuit() {
    if (!App || !Quit) return;
    try {
      App->Quit();
    } catch (const Exception&) {
      // The server is released below either way.
    }
  }
};

}  // namespace

void TKitStringGrid::SaveToXLS(const QString& Filename, bool CreateNewSheet) {
  WriteXLS(Filename, QString(), CreateNewSheet);
}

void TKitStringGrid::SaveToXLSSheet(const QString& Filename, const QString& SheetName) {
  WriteXLS(Filename, SheetName, false);
}

void TKitStringGrid::WriteXLS(const QString& Filename, const QString& SheetName, bool CreateNewSheet) {
  THourglass hourglass;
  bool wasRunning = false;
  Excel::ApplicationPtr app;
  try {
    app = Excel::GetActiveOleObject(kServer);
    wasRunning = app != nullptr;
  } catch (const Exception&) {
    app = nullptr;
  }
  if (!app) app = NewServer();
  TServerQuit quit{app, !wasRunning};

  const int rows = RowCount() - SaveStartRow();
  const int cols = ColCount() - SaveStartCol();
  if (rows <= 0 || cols <= 0) throw EKitGridError(QStringLiteral("The grid holds no cells to save"));
  if (cols > Excel::MaxColumns)
    throw EKitGridError(QStringLiteral("The grid has %1 columns, more than a worksheet holds (%2)")
                            .arg(cols)
                            .arg(Excel::MaxColumns));

  try {
    Excel::WorkbookPtr book;
    Excel::WorksheetPtr sheet;
    int startRow = 1;
    bool saveAs = true;
    if (SheetName.isEmpty()) {
      if (app->WorkBooks()->Count() == 0 || CreateNewSheet) {
        book = app->WorkBooks()->Add();
        sheet = book->Sheets(1);
      } else {
        book = app->ActiveWorkBook();
        sheet = book->ActiveSheet();
        startRow = app->ActiveCell()->Row();
      }
    } else {
      if (QFile::exists(Filename)) {
        // A file that cannot be opened (and so updated) is left alone.
        book = app->WorkBooks()->Open(Filename);
        saveAs = false;
      } else {
        book = app->WorkBooks()->Add();
      }
      Excel::SheetsPtr sheets = book->Sheets();
      for (int i = 1; i <= sheets->Count() && !sheet; ++i)
        if (sheets->item(i)->Name() == SheetName) sheet = sheets->item(i);
      if (!sheet) {
        sheet = book->WorkSheets()->Add();
        sheet->SetName(SheetName);
      }
    }
    if (qint64(startRow) + rows - 1 > Excel::MaxRows)
      throw EKitGridError(QStringLiteral("The grid has %1 rows from row %2, more than a worksheet holds (%3)")
                              .arg(rows)
                              .arg(startRow)
                              .arg(Excel::MaxRows));

    TVarArray values(rows, cols);
    ExportNotification(esExportStart, SaveStartRow());
    for (int r = SaveStartRow(); r < RowCount(); ++r) {
      ExportNotification(esExportNextRow, r);
      for (int c = SaveStartCol(); c < ColCount(); ++c) {
        QString text = SaveCell(DisplToRealCol(c), r);
        if (text.contains(u'\r')) text = RemoveCRs(text);
        values.Set(r - SaveStartRow(), c - SaveStartCol(), QVariant(std::move(text)));
      }
    }
    ExportNotification(esExportDone, -1);
    const QString address = Excel::RangeAddress({startRow, 1, startRow + rows - 1, cols});
    sheet->Range(address)->SetValue(QVariant::fromValue(values));
    if (saveAs) book->SaveAs(Filename);
    else book->Save();
  } catch (const EKitGridError&) {
    throw;
  } catch (const Exception& e) {
    throw EKitGridError(QStringLiteral("The workbook \"%1\" cannot be saved: %2").arg(Filename, e.Message()));
  }
}

void TKitStringGrid::LoadFromXLS(const QString& Filename) { ReadXLS(Filename, QString()); }

void TKitStringGrid::LoadFromXLSSheet(const QString& Filename, const QString& SheetName) {
  ReadXLS(Filename, SheetName);
}

void TKitStringGrid::ReadXLS(const QString& Filename, const QString& SheetName) {
  THourglass hourglass;
  Excel::ApplicationPtr app = NewServer();
  TServerQuit quit{app, true};
  Excel::WorkbookPtr book = app->WorkBooks()->Open(Filename);
  struct TClose {
    Excel::WorkbookPtr Book;
    ~TClose() {
      try {
        Book->Close(false);
      } catch (const Exception&) {
        // Quitting the server drops it anyway.
      }
    }
  } close{book};

  Excel::WorksheetPtr sheet;
  if (!SheetName.isEmpty()) {
    Excel::SheetsPtr sheets = book->Sheets();
    for (int i = 1; i <= sheets->Count() && !sheet; ++i)
      if (sheets->item(i)->Name() == SheetName) sheet = sheets->item(i);
    if (!sheet) throw EKitGridError(QStringLiteral("Excel worksheet ") + SheetName + QStringLiteral(" not found"));
  } else {
    sheet = book->ActiveSheet();
  }
  (void)sheet->UsedRange();
  const QString address = sheet->UsedRange()->Address();
  Excel::TCellRect rect;
  if (!Excel::TryParseRange(address, rect)) {
    Excel::RangePtr used = sheet->UsedRange();
    rect = {1, 1, used->Rows()->Count(), used->Columns()->Count()};
  }
  const bool single = rect.Row1 == rect.Row2 && rect.Col1 == rect.Col2;

  const int colOffset = FSaveFixedCells || FSaveFixedCols ? 0 : FixedCols();
  const int rowOffset = FSaveFixedCells || FSaveFixedRows ? 0 : FixedRows();
  const int fixedCols = FixedCols(), fixedRows = FixedRows();
  // Fetched before the grid changes, so that a sheet that cannot be read
  // leaves the grid as it was.
  TVarArray values;
  QVariant one;
  try {
    if (single) one = sheet->Rows()->Cells(rect.Row1, rect.Col1)->Value();
    else values = VarArrayOf(sheet->Range(Excel::RangeAddress(rect))->Value());
  } catch (const Exception&) {
    throw Exception(QStringLiteral("Incorrect Excel file"));
  }

  BeginUpdate();
  struct TEnd {
    TKitStringGrid* G;
    ~TEnd() { G->EndUpdate(); }
  } end{this};
  SetColCount(rect.ColCount() + colOffset);
  SetRowCount(rect.RowCount() + rowOffset);
  if (fixedCols < ColCount()) SetFixedCols(fixedCols);
  if (fixedRows < RowCount()) SetFixedRows(fixedRows);
  try {
    if (single) {
      LoadCell(colOffset, rowOffset, VarIsEmpty(one) ? QString() : VarToStr(one));
    } else {
      for (int r = 0; r < rect.RowCount(); ++r)
        for (int c = 0; c < rect.ColCount(); ++c) {
          const QVariant& v = values.At(r + 1, c + 1);
          if (VarIsEmpty(v)) LoadCell(c + colOffset, r + rowOffset, QString());
          else if (!VarIsError(v)) LoadCell(c + colOffset, r + rowOffset, VarToStr(v));
        }
    }
  } catch (const EVariantError&) {
    throw Exception(QStringLiteral("Incorrect Excel file"));
  }
  CellsChanged(TRect(0, 0, ColCount(), RowCount()));
  RecalcAllFooters();
}

TStringList* TKitStringGrid::GetXLSSheets(const QString& FileName) {
  THourglass hourglass;
  Excel::ApplicationPtr app = NewServer();
  TServerQuit quit{app, true};
  Excel::WorkbookPtr book = app->WorkBooks()->Open(FileName);
  auto list = std::make_unique<TStringList>();
  Excel::SheetsPtr sheets = book->WorkSheets();
  for (int i = 1; i <= sheets->Count(); ++i) list->Add(sheets->item(i)->Name());
  book->SetSaved(true);
  return list.release();
}
