// Legacy .xls workbooks (BIFF) read through libfreexl.

#include <freexl.h>

#include <QDate>
#include <QFile>
#include <memory>

#include "platform/office/ComObj.h"
#include "platform/office/XlsxFormat.h"

namespace Excel::detail {

namespace {

struct TFreeXlCloser {
  void operator()(const void* handle) const { freexl_close(handle); }
};

[[noreturn]] void Damaged(const QString& fileName, int rc) {
  Q_UNUSED(fileName);
  Q_UNUSED(rc);
  throw EOleException(QStringLiteral("Incorrect Excel file"));
}

// "YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS" or "HH:MM:SS" as a TDateTime.
bool ParseFreeXlDate(const char* text, int type, TDateTime& value) {
  const QString s = QString::fromLatin1(text);
  static const QDate epoch(1899, 12, 30);
  double days = 0;
  QString timePart;
  if (type == FREEXL_CELL_TIME) {
    timePart = s;
  } else {
    const QDate date = QDate::fromString(s.left(10), QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid()) return false;
    days = double(epoch.daysTo(date));
    if (type == FREEXL_CELL_DATETIME) timePart = s.mid(11);
  }
  if (!timePart.isEmpty()) {
    const QTime time = QTime::fromString(timePart, QStringLiteral("HH:mm:ss"));
    if (!time.isValid()) return false;
    days += (days < 0 ? -1 : 1) * time.msecsSinceStartOfDay() / 86400000.0;
  }
  value = days;
  return true;
}

}  // namespace

std::vector<TXlsSheet> ReadXlsFile(const QString& fileName) {
  const void* raw = nullptr;
  const int rc = freexl_open(QFile::encodeName(fileName).constData(), &raw);
  std::unique_ptr<const void, TFreeXlCloser> handle(raw);
  if (rc != FREEXL_OK || !raw) Damaged(fileName, rc);
  unsigned int sheetCount = 0;
  if (freexl_get_info(raw, FREEXL_BIFF_SHEET_COUNT, &sheetCount) != FREEXL_OK) Damaged(fileName, -1);
  unsigned int password = 0;
  if (freexl_get_info(raw, FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK && password != FREEXL_BIFF_PLAIN &&
      password != 0)
    throw EOleException(QStringLiteral("The workbook is password protected"));
  std::vector<TXlsSheet> sheets;
  for (unsigned int i = 0; i < sheetCount && i < 65535; ++i) {
    TXlsSheet sheet;
    const char* name = nullptr;
    if (freexl_get_worksheet_name(raw, static_cast<unsigned short>(i), &name) != FREEXL_OK) Damaged(fileName, -1);
    sheet.Name = QString::fromUtf8(name ? name : "");
    if (freexl_select_active_worksheet(raw, static_cast<unsigned short>(i)) != FREEXL_OK) Damaged(fileName, -1);
    unsigned int rows = 0;
    unsigned short cols = 0;
    if (freexl_worksheet_dimensions(raw, &rows, &cols) != FREEXL_OK) Damaged(fileName, -1);
    if (rows > unsigned(MaxRows) || cols > MaxColumns) Damaged(fileName, -1);
    for (unsigned int r = 0; r < rows; ++r) {
      TRow row{int(r) + 1, {}};
      for (unsigned short c = 0; c < cols; ++c) {
        FreeXL_CellValue cell;
        if (freexl_get_cell_value(raw, r, c, &cell) != FREEXL_OK) Damaged(fileName, -1);
        QVariant value;
        switch (cell.type) {
          case FREEXL_CELL_INT: value = double(cell.value.int_value); break;
          case FREEXL_CELL_DOUBLE: value = cell.value.double_value; break;
          case FREEXL_CELL_TEXT:
          case FREEXL_CELL_SST_TEXT:
            if (cell.value.text_value && *cell.value.text_value) value = QString::fromUtf8(cell.value.text_value);
            break;
          case FREEXL_CELL_DATE:
          case FREEXL_CELL_DATETIME:
          case FREEXL_CELL_TIME: {
            TDateTime date;
            if (!cell.value.text_value || !ParseFreeXlDate(cell.value.text_value, cell.type, date))
              Damaged(fileName, -1);
            value = QVariant::fromValue(TOleDate{date});
            break;
          }
          default: break;
        }
        if (value.isValid()) row.Cells.push_back(TCell{int(c) + 1, std::move(value)});
      }
      if (!row.Cells.empty()) sheet.Store.Loaded.push_back(std::move(row));
    }
    sheets.push_back(std::move(sheet));
  }
  if (sheets.empty()) Damaged(fileName, -1);
  return sheets;
}

}  // namespace Excel::detail
