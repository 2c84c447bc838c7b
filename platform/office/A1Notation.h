#pragma once
// A1 cell addresses: column letters in bijective base 26 (1 = A, 26 = Z,
// 27 = AA, 702 = ZZ, 703 = AAA, 16384 = XFD) and the sheet limits of the
// workbook format.

#include <QString>
#include <QStringView>

namespace Excel {

constexpr int MaxColumns = 16384;      // XFD
constexpr int MaxRows = 1048576;
constexpr int MaxCellChars = 32767;    // UTF-16 units of one cell's text
constexpr int MaxSheetNameChars = 31;

// "A" for 1, "XFD" for 16384. Raises EOleException outside 1..MaxColumns.
QString ColumnLetters(int column);

// 1 for "A" (either case), 16384 for "XFD"; 0 for an empty text, anything
// that is not a letter, or a column past MaxColumns.
int ColumnNumber(QStringView letters);

// One cell or a rectangle, 1-based, inclusive.
struct TCellRect {
  int Row1 = 0, Col1 = 0, Row2 = 0, Col2 = 0;
  int RowCount() const { return Row2 - Row1 + 1; }
  int ColCount() const { return Col2 - Col1 + 1; }
  bool Contains(int row, int col) const { return row >= Row1 && row <= Row2 && col >= Col1 && col <= Col2; }
  bool operator==(const TCellRect&) const = default;
};

// "B3" (or "$B$3" when absolute). Raises EOleException beyond the limits.
QString CellAddress(int row, int col, bool absolute = false);
// "A1:L57", "$B$2:$F$30"; one cell gives "B3" / "$B$3" as the workbook's
// Address does.
QString RangeAddress(const TCellRect& rect, bool absolute = false);

// Parses "B3", "$B$3", "A1:L57", "$C$3:$E$10" (either corner order; "$"
// optional before the letters and the digits). Answers false for anything
// else, including cells beyond the sheet limits.
bool TryParseRange(QStringView text, TCellRect& rect);
// Same, raising EOleException "Invalid range address ..." instead.
TCellRect ParseRange(QStringView text);

}  // namespace Excel
