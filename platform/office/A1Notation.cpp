#include "platform/office/A1Notation.h"

#include "platform/office/ComObj.h"

namespace Excel {

QString ColumnLetters(int column) {
  if (column < 1 || column > MaxColumns)
    throw EOleException(QStringLiteral("Column %1 is outside the sheet (1 to %2)").arg(column).arg(MaxColumns));
  QString letters;
  while (column > 0) {
    const int digit = (column - 1) % 26;
    letters.prepend(QChar(u'A' + digit));
    column = (column - 1) / 26;
  }
  return letters;
}

int ColumnNumber(QStringView letters) {
  if (letters.isEmpty() || letters.size() > 3) return 0;
  int n = 0;
  for (QChar ch : letters) {
    const char16_t c = ch.unicode();
    int digit;
    if (c >= u'A' && c <= u'Z') digit = c - u'A' + 1;
    else if (c >= u'a' && c <= u'z') digit = c - u'a' + 1;
    else return 0;
    n = n * 26 + digit;
  }
  return n <= MaxColumns ? n : 0;
}

QString CellAddress(int row, int col, bool absolute) {
  if (row < 1 || row > MaxRows)
    throw EOleException(QStringLiteral("Row %1 is outside the sheet (1 to %2)").arg(row).arg(MaxRows));
  const QString letters = ColumnLetters(col);
  return absolute ? QStringLiteral("$%1$%2").arg(letters).arg(row) : letters + QString::number(row);
}

QString RangeAddress(const TCellRect& rect, bool absolute) {
  const QString first = CellAddress(rect.Row1, rect.Col1, absolute);
  if (rect.Row1 == rect.Row2 && rect.Col1 == rect.Col2) return first;
  return first + u':' + CellAddress(rect.Row2, rect.Col2, absolute);
}

namespace {

bool ParseCell(QStringView text, int& row, int& col) {
  qsizetype i = 0;
  if (i < text.size() && text[i] == u'$') ++i;
  const qsizetype lettersStart = i;
  while (i < text.size() && text[i].isLetter() && text[i].unicode() < 128) ++i;
  col = ColumnNumber(text.mid(lettersStart, i - lettersStart));
  if (col == 0) return false;
  if (i < text.size() && text[i] == u'$') ++i;
  const qsizetype digitsStart = i;
  while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') ++i;
  if (i != text.size() || i == digitsStart || i - digitsStart > 7) return false;
  bool ok = false;
  row = text.mid(digitsStart).toInt(&ok);
  return ok && row >= 1 && row <= MaxRows;
}

}  // namespace

bool TryParseRange(QStringView text, TCellRect& rect) {
  const qsizetype colon = text.indexOf(u':');
  int r1, c1, r2, c2;
  if (colon < 0) {
    if (!ParseCell(text, r1, c1)) return false;
    rect = {r1, c1, r1, c1};
    return true;
  }
  if (!ParseCell(text.left(colon), r1, c1) || !ParseCell(text.mid(colon + 1), r2, c2)) return false;
  rect = {std::min(r1, r2), std::min(c1, c2), std::max(r1, r2), std::max(c1, c2)};
  return true;
}

TCellRect ParseRange(QStringView text) {
  TCellRect rect;
  if (!TryParseRange(text, rect))
    throw EOleException(QStringLiteral("Invalid range address \"%1\"").arg(text.toString()));
  return rect;
}

}  // namespace Excel
