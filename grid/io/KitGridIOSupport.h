#pragma once
// What the grid's file formats share: the saved area of the grid, progress
// percentages, the cap on grid sizes taken from files, streams and other
// processes, time-sliced event pumping during long loads, the hourglass
// cursor and whole-file reads and writes.

#include <QElapsedTimer>
#include <QString>
#include <functional>

#include "platform/rtl/Encoding.h"
#include "platform/rtl/System.h"

class TKitStringGrid;

namespace kitgridio {

// The rectangle every exporter writes, as the grid's SaveStartCol,
// SaveEndCol, SaveColCount, SaveStartRow, SaveEndRow and SaveRowCount give
// it: fixed columns and rows are left out unless SaveFixedCells (or
// SaveFixedCols / SaveFixedRows) is set; fixed right columns and footer
// rows likewise.
struct TSaveArea {
  int StartCol = 0, EndCol = -1, ColCount = 0;
  int StartRow = 0, EndRow = -1, RowCount = 0;
};
TSaveArea SaveArea(const TKitStringGrid& Grid);

// The largest grid a file, a stream or a clipboard payload may ask for. A
// header beyond it is reported as an error before anything is allocated.
inline constexpr int MaxLoadCols = 100000;
inline constexpr int MaxLoadRows = 10000000;
inline constexpr qint64 MaxLoadCells = 200000000;
// The cell cap in force (MaxLoadCells unless lowered, e.g. by a fuzzing
// harness that must stay within its memory limit); 0 restores the default.
void SetLoadCellCap(qint64 Cells);
qint64 LoadCellCap();
// Raises EKitGridError when Cols x Rows is negative or beyond the caps.
void CheckLoadSize(int Cols, int Rows, const QString& What);

// Percent = Done / max(1, Span) x 100, rounded half to even; Fire reports it
// when it differs from the last value reported (nothing at the start).
class TProgress {
 public:
  explicit TProgress(std::function<void(short)> Fire) : FFire(std::move(Fire)) {}
  bool Active() const { return static_cast<bool>(FFire); }
  void Step(qint64 Done, qint64 Span);

 private:
  std::function<void(short)> FFire;
  int FLast = -1;
};

// Handles pending events (user input excluded, so nothing can close or
// re-enter the grid) at most every SliceMs milliseconds.
class TEventPump {
 public:
  explicit TEventPump(int SliceMs = 20) : FSliceMs(SliceMs) { FTimer.start(); }
  void Poll();
  int Pumps() const { return FPumps; }

 private:
  QElapsedTimer FTimer;
  int FSliceMs;
  int FPumps = 0;
};

// The hourglass cursor for the lifetime of the object.
class THourGlass {
 public:
  THourGlass();
  ~THourGlass();
  THourGlass(const THourGlass&) = delete;
  THourGlass& operator=(const THourGlass&) = delete;

 private:
  int FOld;
  bool FSet = false;
};

// The whole file as bytes; EKitGridError "File <name> not found" when it
// cannot be read.
TBytes ReadFileBytes(const QString& FileName);
// Writes the bytes, replacing the file; EKitGridError "Cannot Create file
// <name>" when it cannot be written.
void WriteFileBytes(const QString& FileName, const TBytes& Bytes);
// Appends the bytes after the file's existing bytes (creating it when it
// does not exist), without touching what is there.
void AppendFileBytes(const QString& FileName, const TBytes& Bytes);
// Text of bytes, by byte-order mark (UTF-8, UTF-16 LE/BE), else Fallback.
QString DecodeText(const TBytes& Bytes, TEncoding* Fallback);
// The encoding an append has to use: the one named by the existing file's
// byte-order mark, else Requested. Sets HasContent when the file holds bytes.
TEncoding* AppendEncoding(const QString& FileName, TEncoding* Requested, bool& HasContent);
// Lines split at CR LF, CR or LF; a last line without a break counts.
QStringList SplitLines(const QString& Text);

// The one-line form of a cell text: with a CR or an LF in the text, CR ->
// U+0009, LF -> U+0008, U+0000 -> U+0001. Unlike EncodeLineBreaks a bare LF
// is encoded as well, so that a cell never breaks its line. A TAB in a
// multi-line text comes back as a CR: a limit of the format.
QString EncodeCellLine(const QString& Text);

}  // namespace kitgridio

namespace kitgridio {
// The vertical resolution the binary grid stream converts font sizes with:
// the grid's canvas, 96 without a window; a value above 0 overrides it (for
// tests), 0 restores it.
void SetBinStreamPixelsPerInch(int Dpi);
int BinStreamPixelsPerInch(TKitStringGrid& Grid);
// The ID a binary grid stream carries for the grid that wrote it: the same
// for one grid, different for grids of this or another process.
qint32 GridStreamID(const TKitStringGrid& Grid);
// The header record of a binary grid stream. ReadBinStreamHeader answers
// false for bytes that do not start with a well-formed header of at least
// one cell; it reads nothing beyond the header.
struct TBinStreamHeader {
  int ColCount = 0;
  int RowCount = 0;
  QString RowHeights;
  bool FullGrid = false;
  qint32 ID = 0;
};
bool ReadBinStreamHeader(const QByteArray& Bytes, TBinStreamHeader& Header);
// Reads the bytes as TKitStringGrid::CheckBinStream does (every record and
// value checked, nothing kept), without copying them.
void CheckBinStreamBytes(const QByteArray& Bytes);
}  // namespace kitgridio

namespace kitgridio {
// The quality cell images are written with in HTML exports.
inline constexpr int HtmlJpegQuality = 90;
}  // namespace kitgridio
