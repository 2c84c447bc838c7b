#pragma once
// What the grid's clipboard and its drag and drop share: the MIME types the
// formats travel under, and the TAB/line text block.
//
// Formats on the system clipboard (all set at once, in one QMimeData):
// - text: text/plain, cells separated by TAB, rows by CR LF;
// - HTML: text/html, a whole UTF-8 document around the table, as other
//   programs on this platform expect it; the Windows-style "HTML Format"
//   text (header of offsets) stands beside it under its registered type;
// - rich text: text/rtf and application/rtf, 8-bit RTF;
// - the grid's own cells: the binary grid stream under the registered
//   format "TKitStringGrid Cells" (see ClipboardFormatMimeType).
//
// The text block: a field that holds a line break (or a vertical tab in the
// Excel flavour) is enclosed in double quotes with its quotes doubled, as
// spreadsheets write it, so a multi-line cell holding quotes comes back
// whole. Lines may end with CR LF, CR or LF (text from programs of this
// platform ends its lines with LF alone). A quoted field whose quotes hold
// no line break is taken as it stands, quotes and all.

#include <QString>
#include <QStringList>
#include <vector>

namespace kitgridio {

QString GridCellsMimeType();
QString HtmlFormatMimeType();
inline const char* const kMimeHtml = "text/html";
inline const char* const kMimeRtf = "text/rtf";
inline const char* const kMimeRtfAlt = "application/rtf";

// A text block cut into lines and fields. FinalEmpty: the text ends with a
// line break (the empty piece after it is a line of its own for counting).
struct TTextBlock {
  std::vector<QStringList> Lines;
  std::vector<bool> LineEmpty;  // the line's text was empty
  bool FinalEmpty = false;
  int MaxFields = 0;
};
TTextBlock ParseTextBlock(const QString& Text);

// A cell text as one field of the text block: quoted (quotes doubled, line
// breaks as LF) when it holds CR or LF; with Excel set and more than one
// line, the line breaks become vertical tabs inside the quotes.
QString QuoteClipboardField(const QString& Text, bool Excel);

// The block size a drop reports for a text: Cols the most fields of a line,
// Rows one less than the number of non-empty lines.
void GetTextBlockSize(const QString& Text, int& Cols, int& Rows);

// True when the bytes are a whole, readable binary grid stream (every record
// read and checked as a load would take it, nothing kept); Header gets its
// header record.
struct TBinStreamHeader;
bool GridCellsReadable(const QByteArray& Bytes, TBinStreamHeader& Header);

// The stream with its header's whole-grid flag cleared: pasted or dropped
// cells land at the cell they are pasted at, also when they were all the
// cells of the grid they came from (a loaded whole grid would replace every
// cell of the target and ignore where it was pasted).
QByteArray AtPointStream(const QByteArray& Bytes);

// 8-bit RTF bytes as cell text (Windows-1252); the other way is
// RtfTextToBytes of platform/vcl/RichText.h.
QString RtfBytesToText(const QByteArray& Bytes);

}  // namespace kitgridio
