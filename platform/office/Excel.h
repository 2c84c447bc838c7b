#pragma once
// The spreadsheet automation objects the grid drives: application,
// workbooks, workbook, sheets, sheet and range, with the member names and
// call order of the automation server they stand in for. The interfaces are
// abstract so that tests can put a recording implementation between a caller
// and the real one; the real one (CreateOleObject("excel.application")) reads
// and writes workbook files itself:
//
// - New workbooks start with one sheet "Sheet1" and are written as Office
//   Open XML (.xlsx) whatever the file name's extension, every value as a
//   text cell (never a number, date or formula: "01000" and "=1+1" stay text).
//   A cell's text is cut to 32,767 UTF-16 units, the format's limit; a line
//   break inside a text is kept.
// - Open reads .xlsx/.xlsm packages and legacy .xls files, told apart by
//   their first bytes, never by the extension; anything else raises
//   EOleException "Incorrect Excel file".
// - Save of an opened .xlsx rewrites only the parts of the sheets that were
//   written (plus the workbook, relationship and content-type parts when a
//   sheet was added) and copies every other part unchanged. A workbook read
//   from a legacy .xls cannot be saved in place: Save raises, the file is
//   left alone.
// - Every save goes to a temporary file in the target folder that is renamed
//   over the target at the end; a failure raises EOleException with the
//   cause and leaves the old file as it was.
//
// Reading: numbers become doubles, cells with a date or time format TOleDate
// (serials below 1 are a time of day; the 1900 system's phantom 29 February
// reads as the 28th), currency formats TOleCurrency, booleans bool, error
// cells TOleError, formulas their cached value; legacy .xls files (BIFF8, and
// BIFF5 of Excel 5 and 95) the same way, read whole when they are opened: a
// file that cannot be read raises "Incorrect Excel file: " and the reason,
// and nothing of it is kept.
//
// Not covered: formulas, formats, charts and any member the grid does not
// call. ActiveCell is always A1 of the active sheet. Renaming a sheet that was read from a file raises (formulas naming it
// would go stale). A sheet added to an opened workbook becomes the active
// sheet of the object model, but the saved file keeps its previous active tab
// so that the other sheets' parts stay byte-identical.

#include <QString>
#include <QVariant>
#include <memory>

#include "platform/office/A1Notation.h"
#include "platform/office/ComObj.h"
#include "platform/office/OleVariants.h"

namespace Excel {

class Range;
class Worksheet;
class Sheets;
class Workbook;
class Workbooks;
class Application;
using RangePtr = std::shared_ptr<Range>;
using WorksheetPtr = std::shared_ptr<Worksheet>;
using SheetsPtr = std::shared_ptr<Sheets>;
using WorkbookPtr = std::shared_ptr<Workbook>;
using WorkbooksPtr = std::shared_ptr<Workbooks>;
using ApplicationPtr = std::shared_ptr<Application>;

// A rectangle of cells of one sheet.
class Range {
 public:
  virtual ~Range() = default;
  // Absolute A1 address: "$B$2:$F$30", or "$B$2" for one cell.
  virtual QString Address() = 0;
  virtual int Row() = 0;      // first row, 1-based
  virtual int Column() = 0;   // first column, 1-based
  // Number of cells; of rows for Rows(), of columns for Columns().
  virtual int Count() = 0;
  virtual RangePtr Rows() = 0;
  virtual RangePtr Columns() = 0;
  // The cell at (row, col) counted from this range's first cell, 1-based.
  virtual RangePtr Cells(int row, int col) = 0;
  // One cell: its value (empty, QString, double, bool, TOleDate,
  // TOleCurrency or TOleError). Several cells: a TVarArray [row, col] with
  // both lower bounds 1.
  virtual QVariant Value() = 0;
  // A TVarArray of exactly the range's size (any lower bounds), or a scalar
  // for a one-cell range. Every element is stored as its text (VarToStr);
  // an empty element clears the cell.
  virtual void SetValue(const QVariant& value) = 0;
};

// A sheet of a workbook. Chart sheets have a Name but no cells: their
// ranges raise.
class Worksheet {
 public:
  virtual ~Worksheet() = default;
  virtual QString Name() = 0;
  // Raises EOleException for an empty name, one longer than 31 characters,
  // one holding : \ / ? * [ ] or starting or ending with an apostrophe, or
  // one another sheet of the workbook has (case-insensitively).
  virtual void SetName(const QString& name) = 0;
  virtual RangePtr Range(const QString& address) = 0;
  // From the first to the last cell that holds a value; "$A$1" for an empty
  // sheet.
  virtual RangePtr UsedRange() = 0;
  // The whole sheet as rows; its Cells(r, c) are the sheet's cells.
  virtual RangePtr Rows() = 0;
  virtual RangePtr Cells(int row, int col) = 0;
};

// Sheets (all kinds) or WorkSheets (worksheets only) of a workbook, 1-based.
class Sheets {
 public:
  virtual ~Sheets() = default;
  virtual int Count() = 0;
  // Raises EOleException outside 1..Count.
  virtual WorksheetPtr item(int index) = 0;
  // A new empty worksheet, named "SheetN" with the next free N, inserted
  // before the active sheet; it becomes the active sheet.
  virtual WorksheetPtr Add() = 0;
};

class Workbook {
 public:
  virtual ~Workbook() = default;
  virtual QString Name() = 0;       // file name without folder ("Book1" when new)
  virtual QString FullName() = 0;   // path of the file, or the name when new
  virtual SheetsPtr Sheets() = 0;
  WorksheetPtr Sheets(int index) { return Sheets()->item(index); }
  virtual SheetsPtr WorkSheets() = 0;
  virtual WorksheetPtr ActiveSheet() = 0;
  // Writes the workbook to the file it was opened from. A new workbook (no
  // file yet) and a workbook read from a legacy .xls raise EOleException.
  virtual void Save() = 0;
  // Writes the whole workbook to fileName (Office Open XML).
  virtual void SaveAs(const QString& fileName) = 0;
  // SaveChanges true saves first (as Save does); the workbook then leaves
  // the application's Workbooks and every later call on it raises.
  virtual void Close(bool SaveChanges) = 0;
  // True when nothing changed since the last open or save; setting it to true
  // lets Close and Quit discard the changes silently.
  virtual bool Saved() = 0;
  virtual void SetSaved(bool value) = 0;
};

class Workbooks {
 public:
  virtual ~Workbooks() = default;
  virtual int Count() = 0;
  virtual WorkbookPtr item(int index) = 0;
  // A new workbook with one empty sheet "Sheet1"; it becomes the active one.
  virtual WorkbookPtr Add() = 0;
  // Reads a workbook file (see above); it becomes the active one. Raises
  // EOleException for a file that is missing or unreadable, and
  // "Incorrect Excel file" for one that is not a workbook or is damaged
  // (for a legacy .xls, followed by ": " and what is wrong with it).
  virtual WorkbookPtr Open(const QString& fileName) = 0;
};

class Application {
 public:
  virtual ~Application() = default;
  virtual WorkbooksPtr WorkBooks() = 0;
  // The active workbook, or nullptr when none is open.
  virtual WorkbookPtr ActiveWorkBook() = 0;
  // The active cell of the active sheet (A1 in a new or opened workbook);
  // raises EOleException when no workbook is open.
  virtual RangePtr ActiveCell() = 0;
  // Closes every workbook without saving; later calls raise.
  virtual void Quit() = 0;
};

// Where CreateOleObject and GetActiveOleObject find their objects. Tests put
// a recording server in place with SetOleServer.
class TOleServer {
 public:
  virtual ~TOleServer() = default;
  virtual ApplicationPtr GetActiveOleObject(const QString& className) = 0;
  virtual ApplicationPtr CreateOleObject(const QString& className) = 0;
};

// The running instance registered under className: there never is one in
// this system, so the real server answers nullptr.
ApplicationPtr GetActiveOleObject(const QString& className);
// A new instance for "excel.application" (any letter case); other names
// raise EOleSysError "Invalid class string".
ApplicationPtr CreateOleObject(const QString& className);
// Installs another server (nullptr: the real one); answers the previous one.
TOleServer* SetOleServer(TOleServer* server);
// The real server's application, whatever server is installed.
ApplicationPtr NewApplication();

// Text of a cell as it goes into a workbook: cut to MaxCellChars UTF-16
// units without splitting a surrogate pair.
QString CellText(const QString& text);

}  // namespace Excel
