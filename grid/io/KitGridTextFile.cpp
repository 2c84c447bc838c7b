// The grid's own line-oriented text format: a header "columns,rows", width
// lines "cw column,width" and cell lines "column,row,text" for every
// non-empty cell. The file flavour uses absolute coordinates and UTF-8 with
// a byte-order mark (or the ANSI code page); the stream flavour uses
// coordinates relative to the saved area, UTF-16 LE without a byte-order
// mark, and stops at the first line that is not part of the grid so that a
// grid can be embedded in a larger stream.

#include <QByteArray>
#include <QLocale>
#include <vector>

#include "grid/io/KitGridIOSupport.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridUtils.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"

using namespace kitgridio;

namespace {

// Column and row of a cell line: the text before the first comma and the
// text between the first and the second; the text is the rest. False when
// the line holds fewer than two commas.
bool SplitCellLine(const QString& Line, QString& Col, QString& Row, QString& Text) {
  const qsizetype c1 = Line.indexOf(u',');
  if (c1 < 0) return false;
  const qsizetype c2 = Line.indexOf(u',', c1 + 1);
  if (c2 < 0) return false;
  Col = Line.left(c1);
  Row = Line.mid(c1 + 1, c2 - c1 - 1);
  Text = Line.mid(c2 + 1);
  return true;
}

// "cw column,width" -> column and width; the platform's conversion error
// when either is not a number.
void SplitWidthLine(const QString& Line, int& Col, int& Width) {
  const QString rest = Line.mid(3);
  const qsizetype comma = rest.indexOf(u',');
  Col = StrToInt(comma < 0 ? rest : rest.left(comma));
  Width = StrToInt(comma < 0 ? QString() : rest.mid(comma + 1));
}

void SplitHeader(const QString& Line, int& Cols, int& Rows) {
  const qsizetype comma = Line.indexOf(u',');
  Cols = StrToInt(comma < 0 ? Line : Line.left(comma));
  Rows = StrToInt(comma < 0 ? QString() : Line.mid(comma + 1));
}

// The update block of a load, ended on every path.
struct TUpdateBlock {
  explicit TUpdateBlock(TKitStringGrid& G) : Grid(G) { Grid.BeginUpdate(); }
  ~TUpdateBlock() { Grid.EndUpdate(); }
  TKitStringGrid& Grid;
};

// Reads UTF-16 LE lines from a stream in blocks and knows, for every line,
// the stream position at which it started, so that the reader can leave the
// stream exactly at the first line that is not its own.
class TUtf16LineReader {
 public:
  explicit TUtf16LineReader(TStream* S) : FStream(S), FBase(S->Position()) {}

  // The position of the next unread unit.
  qint64 Position() const { return FBase + FConsumed; }
  bool AtEnd() {
    Fill();
    return FBuf.size() - FPos < 2;
  }
  // The next line without its CR (the unit after a CR, the LF, is skipped).
  QString ReadLine() {
    QString line;
    for (;;) {
      Fill();
      if (FBuf.size() - FPos < 2) break;
      const char16_t unit = static_cast<char16_t>(static_cast<unsigned char>(FBuf[FPos]) |
                                                  (static_cast<unsigned char>(FBuf[FPos + 1]) << 8));
      FPos += 2;
      FConsumed += 2;
      if (unit == u'\r') {
        Fill();
        if (FBuf.size() - FPos >= 2) {
          FPos += 2;
          FConsumed += 2;
        }
        break;
      }
      line.append(QChar(unit));
    }
    return line;
  }
  // Leaves the stream at Pos (one of the positions reported before).
  void SetStreamPosition(qint64 Pos) { FStream->SetPosition(Pos); }

 private:
  void Fill() {
    if (FBuf.size() - FPos >= 2 || FEof) return;
    FBuf.remove(0, FPos);
    FPos = 0;
    const qsizetype old = FBuf.size();
    FBuf.resize(old + 65536);
    const Int64 got = FStream->Read(FBuf.data() + old, 65536);
    FBuf.resize(old + std::max<Int64>(got, 0));
    if (got <= 0) FEof = true;
  }

  TStream* FStream;
  qint64 FBase;
  qint64 FConsumed = 0;
  QByteArray FBuf;
  qsizetype FPos = 0;
  bool FEof = false;
};

void WriteUtf16Line(TStream* Stream, const QString& Line) {
  QByteArray bytes;
  bytes.reserve((Line.size() + 2) * 2);
  auto put = [&bytes](char16_t u) {
    bytes.append(static_cast<char>(u & 0xFF));
    bytes.append(static_cast<char>(u >> 8));
  };
  for (QChar ch : Line) put(ch.unicode());
  put(u'\r');
  put(u'\n');
  Stream->WriteBuffer(bytes.constData(), bytes.size());
}

}  // namespace

void TKitStringGrid::SaveToFile(const QString& FileName, bool Unicode) {
  const TSaveArea area = SaveArea(*this);
  const int hidden = SaveHiddenCells() ? NumHiddenColumns() : 0;
  const int lastCol = area.EndCol + hidden;
  TProgress progress(OnFileProgress ? [this](short p) { OnFileProgress(this, p); } : std::function<void(short)>());

  QString text;
  text.reserve(64 + (lastCol - area.StartCol + 1) * 12);
  text += QString::number(area.ColCount + hidden) + u',' + QString::number(area.RowCount) + QLatin1String("\r\n");
  for (int c = area.StartCol; c <= lastCol; ++c)
    text += QLatin1String("cw ") + QString::number(c) + u',' + QString::number(AllColWidths(c)) + QLatin1String("\r\n");

  ExportNotification(esExportStart, area.StartRow);
  struct TDone {
    TKitStringGrid* G;
    ~TDone() { G->ExportNotification(esExportDone, -1); }
  } done{this};
  for (int r = area.StartRow; r <= area.EndRow; ++r) {
    if (!IsSuppressedRow(r)) {
      ExportNotification(esExportNextRow, r);
      for (int c = area.StartCol; c <= lastCol; ++c) {
        const QString cell = SaveCell(c, r);
        if (cell.isEmpty()) continue;
        text += QString::number(c) + u',' + QString::number(r) + u',' + EncodeCellLine(cell) + QLatin1String("\r\n");
      }
    }
    progress.Step(r - area.StartRow, area.RowCount - 1);
  }

  TEncoding* enc = Unicode ? TEncoding::UTF8() : TEncoding::ANSI();
  WriteFileBytes(FileName, enc->GetPreamble() + enc->GetBytes(text));
}

void TKitStringGrid::LoadFromFile(const QString& FileName) {
  const QStringList lines = SplitLines(DecodeText(ReadFileBytes(FileName), TEncoding::ANSI()));
  const int colOffset = (SaveFixedCells() || SaveFixedCols()) ? 0 : FixedCols();
  const int rowOffset = (SaveFixedCells() || SaveFixedRows()) ? 0 : FixedRows();

  if (!lines.isEmpty() && !lines.first().isEmpty()) {
    int cols = 0, rows = 0;
    SplitHeader(lines.first(), cols, rows);
    CheckLoadSize(cols, rows, FileName);
    if (colOffset + cols == 0 || rowOffset + rows == 0)
      throw EKitGridError(QStringLiteral("File contains no data or corrupt file ") + FileName);
    SetColCount(colOffset + cols);
    SetRowCount(rowOffset + rows);
  }
  if (ColCount() == 0 || RowCount() == 0)
    throw EKitGridError(QStringLiteral("File contains no data or corrupt file ") + FileName);

  TProgress progress(OnFileProgress ? [this](short p) { OnFileProgress(this, p); } : std::function<void(short)>());
  TEventPump pump;
  {
    TUpdateBlock block(*this);
    for (qsizetype i = 1; i < lines.size(); ++i) {
      const QString& line = lines.at(i);
      if (line.startsWith(u"cw")) {
        int c = 0, w = 0;
        SplitWidthLine(line, c, w);
        if (c >= 0 && c < ColCount()) SetColWidths(c, w);
      } else {
        QString cs, rs, cell;
        if (!SplitCellLine(line, cs, rs, cell)) continue;  // a blank or stray line carries no cell
        const int c = StrToInt(cs);
        const int r = StrToInt(rs);
        if (c >= 0 && c < ColCount() && r >= 0 && r < RowCount()) {
          LoadCell(c, r, DecodeLineBreaks(cell, Multilinecells()));
          progress.Step(r, RowCount() - 1);
        }
      }
      pump.Poll();
    }
  }
  CellsChanged(TRect(0, 0, ColCount(), RowCount()));
  RecalcAllFooters();
}

void TKitStringGrid::SaveToStream(TStream* Stream) {
  const TSaveArea area = SaveArea(*this);
  ExportNotification(esExportStart, area.StartRow);
  struct TDone {
    TKitStringGrid* G;
    ~TDone() { G->ExportNotification(esExportDone, -1); }
  } done{this};
  WriteUtf16Line(Stream, QString::number(area.ColCount) + u',' + QString::number(area.RowCount));
  for (int c = 0; c < ColCount(); ++c)
    WriteUtf16Line(Stream, QLatin1String("cw ") + QString::number(c) + u',' + QString::number(ColWidths(c)));
  for (int r = area.StartRow; r <= area.EndRow; ++r) {
    ExportNotification(esExportNextRow, r);
    for (int c = area.StartCol; c <= area.EndCol; ++c) {
      const QString cell = SaveCell(c, r);
      if (cell.isEmpty()) continue;
      WriteUtf16Line(Stream, QString::number(c - area.StartCol) + u',' + QString::number(r - area.StartRow) + u',' +
                                 EncodeCellLine(cell));
    }
  }
}

void TKitStringGrid::LoadFromStream(TStream* Stream) {
  TUtf16LineReader reader(Stream);
  const TSaveArea area = SaveArea(*this);
  if (!reader.AtEnd()) {
    int cols = 0, rows = 0;
    SplitHeader(reader.ReadLine(), cols, rows);
    CheckLoadSize(cols, rows, QStringLiteral("stream"));
    SetColCount(area.StartCol + cols);
    SetRowCount(area.StartRow + rows);
  }
  {
    TUpdateBlock block(*this);
    while (!reader.AtEnd()) {
      const qint64 lineStart = reader.Position();
      const QString line = reader.ReadLine();
      if (line.startsWith(u"cw")) {
        int c = 0, w = 0;
        SplitWidthLine(line, c, w);
        // Widths of columns the grid does not have are skipped.
        if (c >= 0 && c < ColCount()) SetColWidths(c, w);
        continue;
      }
      QString cs, rs, cell;
      if (!SplitCellLine(line, cs, rs, cell)) {
        // Not a line of the grid: whatever follows is the caller's.
        reader.SetStreamPosition(lineStart);
        break;
      }
      const int c = StrToInt(cs) + area.StartCol;
      const int r = StrToInt(rs) + area.StartRow;
      // Cells outside the grid are skipped, never stored.
      if (c >= 0 && c < ColCount() && r >= 0 && r < RowCount())
        LoadCell(c, r, DecodeLineBreaks(cell, Multilinecells()));
    }
    if (reader.AtEnd()) reader.SetStreamPosition(reader.Position());
  }
  CellsChanged(TRect(0, 0, ColCount(), RowCount()));
  RecalcAllFooters();
}

double TKitStringGrid::CellToReal(int ACol, int ARow) {
  const QString text = GetCellEx(ACol, ARow);
  if (text.isEmpty()) return 0;
  const QString plain = ExtractFloatText(text);
  // The number is read as far as it goes; the first character that does
  // not belong to it is reported by its 1-based position.
  qsizetype i = 0;
  const qsizetype n = plain.size();
  auto digits = [&]() {
    const qsizetype from = i;
    while (i < n && plain.at(i).isDigit() && plain.at(i).unicode() < 128) ++i;
    return i > from;
  };
  if (i < n && (plain.at(i) == u'-' || plain.at(i) == u'+')) ++i;
  bool any = digits();
  if (i < n && plain.at(i) == u'.') {
    ++i;
    any = digits() || any;
  }
  if (any && i < n && (plain.at(i) == u'e' || plain.at(i) == u'E')) {
    const qsizetype save = i;
    ++i;
    if (i < n && (plain.at(i) == u'-' || plain.at(i) == u'+')) ++i;
    if (!digits()) i = save;
  }
  if (!any || i < n) {
    const qsizetype pos = any ? i + 1 : std::max<qsizetype>(i, 0) + 1;
    throw EKitGridError(QStringLiteral("Error at position: %1 in Cell [%2, %3].").arg(pos).arg(ACol).arg(ARow));
  }
  return QLocale::c().toDouble(plain);
}
