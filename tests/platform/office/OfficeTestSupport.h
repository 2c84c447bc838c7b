#pragma once
// Packages built part by part for the reader tests, and small helpers.

#include <QByteArray>
#include <QString>
#include <map>

#include "platform/office/Excel.h"

namespace officetest {

using TParts = std::map<QString, QByteArray>;

// Writes a zip package with the given parts.
void WritePackage(const QString& path, const TParts& parts);
// Parts of a package as stored (decompressed).
TParts ReadPackage(const QString& path);

// A workbook package: sheets named as given, each with its worksheet XML
// (the <sheetData> content only), optional shared strings (<si> items),
// cellXfs (<xf> items) and numFmts, 1904 dates.
struct TWorkbookSpec {
  std::vector<std::pair<QString, QByteArray>> Sheets;
  QByteArray SharedStrings;
  QByteArray NumFmts;
  QByteArray CellXfs = "<xf numFmtId=\"0\"/>";
  bool Date1904 = false;
  int ActiveTab = 0;
};
TParts WorkbookParts(const TWorkbookSpec& spec);

// The sheet's used range values as texts (VarToStr), rows of tab-joined cells.
QStringList SheetTexts(const Excel::WorksheetPtr& sheet);

}  // namespace officetest
