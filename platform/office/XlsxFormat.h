#pragma once
// Internal: reading and writing workbook files.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

#include "platform/office/ExcelModel.h"
#include "platform/office/XlsxPackage.h"

namespace Excel::detail {

// The sheet list and shared parts of an .xlsx package.
struct TPackageInfo {
  struct TSheetEntry {
    QString Name;
    TSheetKind Kind = skWorksheet;
    TSheetPart Part;
  };
  QString WorkbookPart;        // "xl/workbook.xml"
  QString StylesPart;          // may be empty
  QString SharedStringsPart;   // may be empty
  bool Date1904 = false;
  int ActiveTab = 0;           // 0-based index into Sheets
  std::vector<TSheetEntry> Sheets;
};

// Raises EOleException when the package holds no readable workbook.
TPackageInfo ReadPackageInfo(const TZipArchive& archive);

// Turns stored cell values into variants: shared strings, number formats
// (dates, currency), the 1904 date system.
class TCellDecoder {
 public:
  enum TNumberKind : uint8_t { nkNumber, nkDate, nkCurrency };
  void Load(const TZipArchive& archive, const TPackageInfo& info);
  bool Date1904 = false;
  std::vector<QString> SharedStrings;
  std::vector<uint8_t> StyleKinds;  // per cellXfs index

  QVariant Number(double value, int style) const;
  // A serial day number as a date: serials below 1 are a time of day in
  // both systems, 1 to 59 of the 1900 system move one day on (its phantom
  // 29 February, serial 60, reads as the 28th), the 1904 system adds 1462
  // days; false for negative serials and those past the year 9999.
  bool SerialToDate(double serial, TDateTime& date) const;
};

// What a number format shows: a date/time, a currency amount or a number.
TCellDecoder::TNumberKind ClassifyNumberFormat(int id, const QString& code);
// Decodes the "_xHHHH_" escapes of a stored text.
QString DecodeEscapes(const QString& text);
// Escapes a text for a cell element: XML specials, "_xHHHH_" for characters
// XML cannot carry and for a literal "_x" that would read as an escape.
void AppendEscapedText(QByteArray& out, const QString& text);

// Reads a worksheet part into store.Loaded.
void ReadSheetCells(const TZipArchive& archive, const QString& partName, const TCellDecoder& decoder,
                    TSheetStore& store);

// Legacy .xls workbooks (BIFF8, and BIFF5 of Excel 5 and 95, in a compound
// file): every sheet with its cells, read whole, and the active tab. Cell
// values as the .xlsx reader gives them: numbers (dates and currency by their
// cell format), texts, booleans, error values, formulas' cached results.
// Raises EOleException whose message says why a file cannot be read.
struct TXlsSheet {
  QString Name;
  TSheetKind Kind = skWorksheet;
  TSheetStore Store;
};
struct TXlsBook {
  std::vector<TXlsSheet> Sheets;
  int ActiveTab = 0;  // 0-based index into Sheets
};
TXlsBook ReadXlsFile(const QString& fileName);
TXlsBook ReadXlsBytes(const QByteArray& bytes);

// A new workbook of text cells, written with libxlsxwriter.
struct TNewSheet {
  QString Name;
  const TSheetStore* Store;
};
void WriteNewWorkbook(const QString& fileName, const std::vector<TNewSheet>& sheets, int activeIndex);

// An opened package saved with its written sheets replaced and its added
// sheets inserted; every other part is copied unchanged.
struct TPatchSheet {
  QString Name;
  TSheetPart* Part;          // filled in for added sheets
  const TSheetStore* Store;
  bool Added = false;        // not in the source package yet
  bool Dirty = false;        // written since the last save
};
void PatchWorkbook(const QString& source, const QString& target, const TPackageInfo& info,
                   std::vector<TPatchSheet>& sheets);

}  // namespace Excel::detail
