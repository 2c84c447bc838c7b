#include "app/uKestrelEntry.h"

TKestrelEntry::TKestrelEntry(const QString& FullEntry) : _fFullEntry(FullEntry) {}

void TKestrelEntry::Execute() {}

void TKestrelEntry::FormatEntryResult() {
  const QString crlf = QStringLiteral("\r\n");
  _FormatEntryResult = _fFullName + crlf + _fStreet + crlf + _fZIP + QStringLiteral(" - ") + _fCity + crlf +
                       _fProvincia + crlf + QStringLiteral("T: ") + _fPhone + crlf + QStringLiteral("F: ") +
                       _fFax + crlf + QStringLiteral("H: ") + _fHTTP + crlf + QStringLiteral("E: ") + _fEmail +
                       crlf;
}
