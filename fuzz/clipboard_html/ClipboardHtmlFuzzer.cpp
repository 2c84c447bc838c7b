// The grid's "HTML Format" clipboard text around a fragment of any content
// (cell texts copied with their markup): the offsets of its header must
// point, as UTF-8 byte counts, at the document, the fragment and their ends,
// so that a program pasting it finds exactly the fragment it was given.
//
// Input: the fragment (AnyText: UTF-8, or raw UTF-16 after a first 0xFF,
// unpaired surrogates included).

#include <QRegularExpression>
#include <cstddef>
#include <cstdint>

#include "fuzz/support/FuzzSupport.h"
#include "grid/model/KitGridHtmlFormat.h"

namespace {

// The value of the header field Name (eight or more digits); -1 when absent.
qsizetype HeaderField(const QByteArray& Header, const char* Name) {
  const QRegularExpression field(QStringLiteral("(?:^|\\r\\n)%1:(\\d{8,})\\r\\n").arg(QLatin1String(Name)));
  const QRegularExpressionMatch match = field.match(QString::fromLatin1(Header));
  return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::QuietMessages();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const QString fragment = fuzz::AnyText(Data, Size);
  QString html = fragment;
  BuildClipboardHtml(html);
  // What goes on the clipboard: the text as UTF-8.
  const QByteArray bytes = html.toUtf8();
  const QByteArray header = bytes.left(200);
  const qsizetype startHtml = HeaderField(header, "StartHTML");
  const qsizetype endHtml = HeaderField(header, "EndHTML");
  const qsizetype startFragment = HeaderField(header, "StartFragment");
  const qsizetype endFragment = HeaderField(header, "EndFragment");
  fuzz::Check(bytes.startsWith("Version:1.0\r\n"), "the text does not start with the version");
  fuzz::Check(startHtml > 0 && endHtml > 0 && startFragment > 0 && endFragment > 0, "a header field is missing");
  fuzz::Check(startHtml <= startFragment && startFragment <= endFragment && endFragment <= endHtml,
              "the header's offsets are out of order");
  fuzz::Check(endHtml == bytes.size(), "EndHTML is not the end of the text");
  fuzz::Check(bytes.mid(startHtml).startsWith("<!DOCTYPE") || bytes.mid(startHtml).startsWith("<html"),
              "StartHTML does not point at the document");
  fuzz::Check(bytes.mid(startFragment - 20, 20).endsWith("<!--StartFragment-->"),
              "StartFragment does not follow the fragment's start mark");
  fuzz::Check(bytes.mid(endFragment).startsWith("<!--EndFragment-->"),
              "EndFragment does not point at the fragment's end mark");
  fuzz::Check(bytes.mid(startFragment, endFragment - startFragment) == fragment.toUtf8(),
              "the offsets do not frame the fragment");
  return 0;
}
