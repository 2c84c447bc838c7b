// New workbooks through libxlsxwriter in its constant-memory mode: each
// sheet's rows are handed over in ascending order (merged from the written
// blocks) and every value is a text cell.

#include <xlsxwriter.h>

#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <cerrno>
#include <memory>

#include "platform/office/ComObj.h"
#include "platform/office/Excel.h"
#include "platform/office/XlsxFormat.h"

namespace Excel::detail {

namespace {

struct TWorkbookCloser {
  void operator()(lxw_workbook* wb) const {
    // Only reached on failure paths: closing writes the file, which is a
    // temporary one removed afterwards.
    if (wb) workbook_close(wb);
  }
};

bool NeedsEscape(const QString& text) {
  for (QChar ch : text) {
    const char16_t c = ch.unicode();
    if ((c < 0x20 && c != u'\t' && c != u'\n') || c == u'_' || c == 0xFFFE || c == 0xFFFF || ch.isSurrogate())
      return true;
  }
  return false;
}

bool IsHex(QChar c) { return c.isDigit() || (c.toLower() >= u'a' && c.toLower() <= u'f'); }

// The text as libxlsxwriter should store it: characters XML cannot carry as
// "_xHHHH_", a literal "_xHHHH_" protected by "_x005F", unpaired surrogates
// as U+FFFD.
QByteArray CellUtf8(const QString& text) {
  if (!NeedsEscape(text)) return text.toUtf8();
  QString out;
  out.reserve(text.size() + 16);
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar ch = text[i];
    const char16_t c = ch.unicode();
    if (ch.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      out += ch;
      out += text[++i];
    } else if (ch.isSurrogate()) {
      out += QChar(0xFFFD);
    } else if ((c < 0x20 && c != u'\t' && c != u'\n') || c == 0xFFFE || c == 0xFFFF) {
      out += QStringLiteral("_x%1_").arg(int(c), 4, 16, QLatin1Char('0')).toUpper().replace(u'X', u'x');
    } else if (c == u'_' && i + 6 < text.size() && text[i + 1] == u'x' && IsHex(text[i + 2]) &&
               IsHex(text[i + 3]) && IsHex(text[i + 4]) && IsHex(text[i + 5]) && text[i + 6] == u'_') {
      out += QStringLiteral("_x005F_");
    } else {
      out += ch;
    }
  }
  return out.toUtf8();
}

[[noreturn]] void WriteFailed(const QString& fileName, lxw_error error) {
  QString reason = QString::fromUtf8(lxw_strerror(error));
  if (error == LXW_ERROR_CREATING_XLSX_FILE || error == LXW_ERROR_CREATING_TMPFILE ||
      error == LXW_ERROR_ZIP_FILE_OPERATION || error == LXW_ERROR_ZIP_FILE_ADD || error == LXW_ERROR_ZIP_CLOSE)
    if (errno != 0) reason += QStringLiteral(" (%1)").arg(SystemError(errno));
  throw EOleException(QStringLiteral("Cannot write \"%1\": %2").arg(fileName, reason));
}

}  // namespace

void WriteNewWorkbook(const QString& fileName, const std::vector<TNewSheet>& sheets, int activeIndex) {
  TAtomicFile file(fileName);
  const QByteArray tempName = QFile::encodeName(file.TempPath());
  lxw_workbook_options options = {};
  options.constant_memory = LXW_TRUE;
  options.use_zip64 = LXW_FALSE;
  // The zip format needs its 64-bit extensions past 4 GB; a rough measure of
  // the text decides.
  qint64 textBytes = 0;
  for (const TNewSheet& sheet : sheets)
    for (const TSheetStore::TBlock& b : sheet.Store->Blocks)
      textBytes += qint64(b.Rect.RowCount()) * b.Rect.ColCount() * 64;
  if (textBytes > (qint64(1) << 31)) options.use_zip64 = LXW_TRUE;
  std::unique_ptr<lxw_workbook, TWorkbookCloser> workbook(workbook_new_opt(tempName.constData(), &options));
  if (!workbook) throw EOleException(QStringLiteral("Cannot write \"%1\": out of memory").arg(fileName));

  std::vector<std::pair<int, const QVariant*>> cells;
  QStringEncoder encoder(QStringEncoder::Utf8);
  QByteArray buffer;
  for (size_t s = 0; s < sheets.size(); ++s) {
    const TNewSheet& sheet = sheets[s];
    const QByteArray name = sheet.Name.toUtf8();
    lxw_worksheet* worksheet = workbook_add_worksheet(workbook.get(), name.constData());
    if (!worksheet) throw EOleException(QStringLiteral("Cannot write \"%1\": invalid sheet name \"%2\"").arg(fileName, sheet.Name));
    if (int(s) == activeIndex) worksheet_activate(worksheet);
    for (int row : sheet.Store->WrittenRows()) {
      sheet.Store->WrittenRow(row, cells);
      for (const auto& [col, value] : cells) {
        if (!value->isValid()) continue;  // cleared
        const QString* text = static_cast<const QString*>(value->constData());
        if (text->isEmpty()) continue;
        const char* utf8;
        QByteArray escaped;
        if (NeedsEscape(*text)) {
          escaped = CellUtf8(*text);
          utf8 = escaped.constData();
        } else {
          // The common case: encoded into one buffer that every cell reuses.
          if (buffer.size() < text->size() * 3 + 1) buffer.resize(text->size() * 3 + 1);
          char* end = encoder.appendToBuffer(buffer.data(), *text);
          *end = '\0';
          utf8 = buffer.constData();
        }
        const lxw_error rc = worksheet_write_string(worksheet, lxw_row_t(row - 1), lxw_col_t(col - 1), utf8, nullptr);
        if (rc != LXW_NO_ERROR) WriteFailed(fileName, rc);
      }
    }
  }
  errno = 0;
  const lxw_error rc = workbook_close(workbook.release());
  if (rc != LXW_NO_ERROR) WriteFailed(fileName, rc);
  file.Commit();
}

}  // namespace Excel::detail
