#pragma once
// Internal: what the real automation objects keep of a workbook: its sheets,
// the cells read from the file and the ranges written since, and where each
// sheet lives in the file's package.

#include <QLoggingCategory>
#include <QString>
#include <QVariant>
#include <vector>

#include "platform/office/A1Notation.h"
#include "platform/office/OleVariants.h"

Q_DECLARE_LOGGING_CATEGORY(lcOffice)

namespace Excel::detail {

struct TCell {
  int Col;
  QVariant Value;
};
struct TRow {
  int Row;
  std::vector<TCell> Cells;  // ascending columns
};

// Cells of one sheet: those read from the file (rows and columns ascending)
// and the blocks written since, later blocks over earlier ones. Written
// values are texts; an empty element clears its cell.
class TSheetStore {
 public:
  struct TBlock {
    TCellRect Rect;
    TVarArray Values;  // RowCount x ColCount, QString or empty elements
  };

  std::vector<TRow> Loaded;
  std::vector<TBlock> Blocks;

  QVariant Get(int row, int col) const;
  // The rectangle from the first to the last cell that holds a value; false
  // when there is none.
  bool UsedRect(TCellRect& rect) const;
  // Values of rect as a 1-based array.
  TVarArray Values(const TCellRect& rect) const;
  // Stores values (converted to text, cut to the cell limit) over rect.
  void Write(const TCellRect& rect, const TVarArray& values);
  void Write(int row, int col, const QVariant& value);

  // The written cells of one row (latest value per column, ascending
  // columns); nullopt elements clear their cell. Answers false when no block
  // touches the row.
  bool WrittenRow(int row, std::vector<std::pair<int, const QVariant*>>& cells) const;
  // Rows touched by blocks, ascending, each once.
  std::vector<int> WrittenRows() const;

  // Sorts Loaded (rows, then columns) and merges duplicate rows; the readers
  // call it when a file listed rows or cells out of order.
  void Normalise();
};

enum TSheetKind { skWorksheet, skChart, skOther };

// Where a sheet of an opened package lives.
struct TSheetPart {
  QString PartName;  // "xl/worksheets/sheet1.xml"; empty for a sheet not yet saved
  QString RelId;     // "rId1"
  int SheetId = 0;
};

enum TFileKind { fkNone, fkXlsx, fkXls };

// Reads the first bytes of a file: PK → xlsx, D0 CF 11 E0 → xls. Raises
// EOleException when the file cannot be opened, "Incorrect Excel file" when
// it is neither.
TFileKind SniffFile(const QString& fileName);

}  // namespace Excel::detail
