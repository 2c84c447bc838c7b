// Plain-text layouts of the grid: the column-aligned export (every column
// padded to its longest text, texts aligned as the cells are, multi-line
// cells spread over continuation lines) and the fixed-width export and
// import driven by a list of field widths or field positions.

#include <QFileInfo>
#include <algorithm>
#include <vector>

#include "grid/io/KitGridIOSupport.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridUtils.h"
#include "platform/rtl/SysUtils.h"

using namespace kitgridio;

namespace {

QStringList CellLines(const QString& Text) { return Text.split(QStringLiteral("\r\n")); }

// The text aligned in a column of Width characters: right-aligned texts get
// blanks in front up to the width; centred texts one blank on each side per
// step until they reach it (so they may end one longer); others unchanged.
QString AlignText(const QString& Text, TAlignment Align, int Width) {
  QString s = Text;
  if (Align == taRightJustify) {
    if (s.size() < Width) s = QString(Width - s.size(), u' ') + s;
  } else if (Align == taCenter) {
    while (s.size() < Width) s = u' ' + s + u' ';
  }
  return s;
}

// Text followed by blanks up to Width + 1 characters.
void AppendPadded(QString& Line, const QString& Text, int Width) {
  Line += Text;
  if (Text.size() < Width + 1) Line += QString(Width + 1 - Text.size(), u' ');
}

// Restores ColCount after an export that raised it for hidden columns.
struct TColCountGuard {
  TKitStringGrid& Grid;
  int Saved;
  ~TColCountGuard() {
    if (Grid.ColCount() != Saved) Grid.SetColCount(Saved);
  }
};

}  // namespace

TAlignment TKitStringGrid::AsciiCellAlignment(int ACol, int ARow) {
  TCellProperties* rec = FindCellProperties(ACol, ARow);
  TAlignment ha = rec ? rec->Alignment() : DefaultAlignment();
  TVAlignment va = VAlignment();
  GetAlignment(ACol, ARow, ha, va);
  return ha;
}

int TKitStringGrid::GetMaxColTextLength(int ACol) {
  int longest = 0;
  for (int r = 0; r < RowCount(); ++r) {
    const QString text = SaveCell(ACol, r);
    if (text.isEmpty()) continue;
    if (Multilinecells()) {
      for (const QString& line : CellLines(text)) longest = std::max<int>(longest, line.size());
    } else {
      longest = std::max<int>(longest, text.section(QStringLiteral("\r\n"), 0, 0).size());
    }
  }
  return longest;
}

QString TKitStringGrid::AsciiText() {
  const int hidden = SaveHiddenCells() ? NumHiddenColumns() : 0;
  TColCountGuard guard{*this, ColCount()};
  if (hidden > 0) SetColCount(ColCount() + hidden);
  const int firstCol = (SaveFixedCells() || SaveFixedCols()) ? 0 : FixedCols();
  const int firstRow = (SaveFixedCells() || SaveFixedRows()) ? 0 : FixedRows();
  const int lastCol = ColCount() - 1;

  // Widths as plain integers: a column may be far wider than 255 characters.
  std::vector<int> widths(std::max(ColCount(), 0), 0);
  for (int c = firstCol; c <= lastCol; ++c) widths[c] = GetMaxColTextLength(hidden > 0 ? c : DisplToRealCol(c));
  // Continuation lines start at the saved area's first column.
  std::vector<int> starts(widths.size(), 0);
  for (int c = firstCol + 1; c <= lastCol; ++c) starts[c] = starts[c - 1] + widths[c - 1] + 1;

  QString out;
  ExportNotification(esExportStart, firstRow);
  struct TDone {
    TKitStringGrid* G;
    ~TDone() { G->ExportNotification(esExportDone, -1); }
  } done{this};
  for (int r = firstRow; r < RowCount(); ++r) {
    if (IsSuppressedRow(r)) continue;
    ExportNotification(esExportNextRow, r);
    QString main;
    QStringList more;
    for (int c = firstCol; c <= lastCol; ++c) {
      const int dataCol = hidden > 0 ? c : DisplToRealCol(c);
      const QString text = SaveCell(dataCol, r);
      const TAlignment align = AsciiCellAlignment(dataCol, r);
      const QStringList lines = CellLines(text);
      if (Multilinecells() && lines.size() > 1) {
        for (int j = 1; j < lines.size(); ++j) {
          if (more.size() < j) more << QString();
          QString& cont = more[j - 1];
          if (cont.size() < starts[c]) cont += QString(starts[c] - cont.size(), u' ');
          cont += AlignText(lines[j], align, widths[c]);
        }
      }
      AppendPadded(main, AlignText(lines.first(), align, widths[c]), widths[c]);
    }
    out += main + QLatin1String("\r\n");
    for (const QString& cont : more) out += cont + QLatin1String("\r\n");
  }
  return out;
}

void TKitStringGrid::SaveToASCII(const QString& FileName, bool Unicode) {
  THourGlass hourglass;
  TEncoding* enc = Unicode ? (Encoding() ? Encoding() : TEncoding::UTF8()) : TEncoding::ANSI();
  const QString text = AsciiText();
  WriteFileBytes(FileName, enc->GetPreamble() + enc->GetBytes(text));
}

void TKitStringGrid::AppendToASCII(const QString& FileName, bool Unicode) {
  THourGlass hourglass;
  // The existing bytes stay as they are; the new lines follow in the
  // encoding the file already has (by its byte-order mark), else the one
  // asked for.
  bool hasContent = false;
  TEncoding* enc = AppendEncoding(FileName, Unicode ? (Encoding() ? Encoding() : TEncoding::UTF8()) : TEncoding::ANSI(),
                                  hasContent);
  const QString text = AsciiText();
  TBytes bytes = enc->GetBytes(text);
  if (!hasContent) bytes = enc->GetPreamble() + bytes;
  AppendFileBytes(FileName, bytes);
}

void TKitStringGrid::SaveToFixed(const QString& FileName, TIntList* Positions) {
  const TSaveArea area = SaveArea(*this);
  const int hidden = SaveHiddenCells() ? NumHiddenColumns() : 0;
  TColCountGuard guard{*this, ColCount()};
  if (hidden > 0) SetColCount(ColCount() + hidden);
  const int last = area.EndCol + hidden;
  int k = 0;
  for (int c = area.StartCol; c <= last; ++c, ++k)
    if (Positions->Count() <= k) Positions->Add(GetMaxColTextLength(c) + 1);

  QString out;
  ExportNotification(esExportStart, area.StartRow);
  struct TDone {
    TKitStringGrid* G;
    ~TDone() { G->ExportNotification(esExportDone, -1); }
  } done{this};
  for (int r = area.StartRow; r <= area.EndRow; ++r) {
    ExportNotification(esExportNextRow, r);
    k = 0;
    for (int c = area.StartCol; c <= last; ++c, ++k) {
      const int width = std::max(Positions->Items(k), 0);
      QString text = SaveCell(hidden > 0 ? c : DisplToRealCol(c), r);
      if (text.size() > width) text.truncate(width);
      else text += QString(width - text.size(), u' ');
      out += text;
    }
    out += QLatin1String("\r\n");
  }
  WriteFileBytes(FileName, TEncoding::ANSI()->GetBytes(out));
}

void TKitStringGrid::LoadFromFixed(const QString& FileName, TIntList* Positions, bool DoTrim, int MaxRows) {
  if (Positions->Count() < 2)
    throw EKitGridError(QStringLiteral("At least two positions are needed to load fixed-width fields"));
  std::vector<int> pos;
  for (int i = 0; i < Positions->Count(); ++i) {
    if (Positions->Items(i) < 1) throw EKitGridError(QStringLiteral("Field positions start at 1"));
    pos.push_back(Positions->Items(i));
  }
  std::sort(pos.begin(), pos.end());
  for (int i = 0; i < static_cast<int>(pos.size()); ++i) Positions->SetItems(i, pos[i]);

  QFileInfo info(FileName);
  if (!info.isFile()) throw EKitGridError(QStringLiteral("File %1 not found").arg(FileName));
  const QStringList lines = SplitLines(DecodeText(ReadFileBytes(FileName), TEncoding::ANSI()));
  const int fields = static_cast<int>(pos.size()) - 1;
  CheckLoadSize(FixedCols() + fields, 1, FileName);
  SetColCount(FixedCols() + fields);
  const TSaveArea area = SaveArea(*this);

  {
    BeginUpdate();
    struct TEnd {
      TKitStringGrid* G;
      ~TEnd() { G->EndUpdate(); }
    } end{this};
    int row = area.StartRow;
    for (qsizetype i = 0; i < lines.size(); ++i) {
      if (row >= RowCount()) SetRowCount(row + 1);
      const QString& line = lines.at(i);
      for (int k = 0; k < fields; ++k) {
        QString field = line.mid(pos[k] - 1, pos[k + 1] - pos[k]);
        if (DoTrim) field = field.trimmed();
        LoadCell(area.StartCol + k, row, field);
      }
      ++row;
      // The first line always loads; MaxRows -1 loads them all.
      if (MaxRows != -1 && row - area.StartRow >= std::max(MaxRows, 1)) break;
      if (i + 1 < lines.size() && row >= RowCount()) SetRowCount(row + 1);
    }
  }
  CellsChanged(TRect(0, 0, ColCount(), RowCount()));
  RecalcAllFooters();
}
