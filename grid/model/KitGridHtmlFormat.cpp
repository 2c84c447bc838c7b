#include "grid/model/KitGridHtmlFormat.h"

namespace {

const QString kDocType = QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">");
const QString kHead = QStringLiteral(
    "<html><head><META http-equiv=Content-Type content=\"text/html; charset=iso-8859-1\"></head>"
    "<body><!--StartFragment-->");
const QString kTail = QStringLiteral("<!--EndFragment--></body></html>");

// The label and the offset as at least eight digits with leading zeros,
// then CR LF.
QString HeaderLine(const char* label, qsizetype offset) {
  return QString::fromLatin1(label) + QStringLiteral("%1").arg(offset, 8, 10, QChar(u'0')) +
         QStringLiteral("\r\n");
}

}  // namespace

void BuildClipboardHtml(QString& Html) {
  const QString version = QStringLiteral("Version:1.0\r\n");
  // Five header lines of fixed length: every offset has eight digits.
  const qsizetype startHtml = version.size() + 20 + 18 + 24 + 22;
  const qsizetype startFragment = startHtml + kDocType.size() + kHead.size();
  const qsizetype endFragment = startFragment + Html.toUtf8().size();
  const qsizetype endHtml = endFragment + kTail.size();
  Html = version + HeaderLine("StartHTML:", startHtml) + HeaderLine("EndHTML:", endHtml) +
         HeaderLine("StartFragment:", startFragment) + HeaderLine("EndFragment:", endFragment) +
         kDocType + kHead + Html + kTail;
}
