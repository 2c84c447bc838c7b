// The grid's clipboard: copy, cut and paste of the selection or the saved
// area as text, HTML, rich text and the grid's own cell format, and the
// smart fill of a selection from a pasted value or series.
//
// Every copy puts all its formats on the system clipboard at once (one
// QMimeData), so they stand side by side for the programs that read it.
// A paste prefers the grid's own cells, then rich text, then text. Data
// from the clipboard comes from other programs: the grid's own cells are
// read and checked in full (nothing kept) before anything of this grid
// changes, and sizes asked for by a header or a text block are held to the
// same caps as files (an EKitGridError before anything changes).

#include "grid/io/KitGridClipboard.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QMimeData>

#include "grid/io/KitGridIOSupport.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridHtmlFormat.h"
#include "grid/model/KitGridUndo.h"
#include "grid/model/KitGridUtils.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win32/Clipboard.h"

#include "platform/vcl/RichText.h"

using namespace kitgridio;

namespace kitgridio {

QString GridCellsMimeType() { return ClipboardFormatMimeType(TKitGridUnit::ClipboardFormat()); }

QString HtmlFormatMimeType() {
  static const UINT id = RegisterClipboardFormat(QStringLiteral("HTML Format"));
  return ClipboardFormatMimeType(id);
}

TTextBlock ParseTextBlock(const QString& Text) {
  TTextBlock block;
  const QChar* t = Text.constData();
  const qsizetype n = Text.size();
  qsizetype i = 0;
  QStringList fields;
  bool lineHasText = false;
  auto endLine = [&]() {
    block.MaxFields = std::max<int>(block.MaxFields, static_cast<int>(fields.size()));
    block.LineEmpty.push_back(!lineHasText);
    block.Lines.push_back(std::move(fields));
    fields = QStringList();
    lineHasText = false;
  };
  while (true) {
    // One field from i.
    QString field;
    bool done = false;
    if (i < n && t[i] == u'"') {
      // A quoted field: only when its quotes hold a line break and the
      // closing quote ends the field.
      QString value;
      qsizetype j = i + 1;
      bool closed = false;
      while (j < n) {
        if (t[j] == u'"') {
          if (j + 1 < n && t[j + 1] == u'"') {
            value += u'"';
            j += 2;
            continue;
          }
          closed = true;
          break;
        }
        value += t[j++];
      }
      const qsizetype after = j + 1;
      const bool ends = closed && (after >= n || t[after] == u'\t' || t[after] == u'\r' || t[after] == u'\n');
      if (ends && (value.contains(u'\n') || value.contains(u'\r') || value.contains(QChar(11)))) {
        // Line breaks of any kind become CR LF, vertical tabs too.
        value.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        value.replace(u'\r', u'\n');
        value.replace(QChar(11), u'\n');
        value.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
        field = value;
        i = after;
        done = true;
      }
    }
    if (!done) {
      const qsizetype start = i;
      while (i < n && t[i] != u'\t' && t[i] != u'\r' && t[i] != u'\n') ++i;
      field = Text.mid(start, i - start);
    }
    if (!field.isEmpty() || (i < n && t[i] == u'\t')) lineHasText = true;
    fields.append(field);
    if (i >= n) {
      endLine();
      break;
    }
    if (t[i] == u'\t') {
      ++i;
      continue;
    }
    // A line break: CR LF, CR or LF.
    if (t[i] == u'\r' && i + 1 < n && t[i + 1] == u'\n') i += 2;
    else ++i;
    endLine();
    if (i >= n) {
      block.FinalEmpty = true;
      break;
    }
  }
  return block;
}

QString QuoteClipboardField(const QString& Text, bool Excel) {
  if (!Text.contains(u'\r') && !Text.contains(u'\n')) return Text;
  QString s = Text;
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(u'\r', u'\n');
  if (Excel && s.contains(u'\n')) s.replace(u'\n', QChar(11));
  s.replace(QStringLiteral("\""), QStringLiteral("\"\""));
  return u'"' + s + u'"';
}

void GetTextBlockSize(const QString& Text, int& Cols, int& Rows) {
  const TTextBlock block = ParseTextBlock(Text);
  Cols = block.MaxFields;
  Rows = 0;
  const int pieces = static_cast<int>(block.Lines.size()) + (block.FinalEmpty ? 1 : 0);
  for (int k = 0; k < pieces; ++k) {
    const bool empty = k >= static_cast<int>(block.Lines.size()) || block.LineEmpty[k];
    if (!empty || Rows == 0) ++Rows;
  }
  Rows -= 1;
  if (Rows < 0) Rows = 0;
}

QByteArray AtPointStream(const QByteArray& Bytes) {
  // The flag is the header record's Boolean "FullGrid" (a short name, then
  // the true or false tag); the header ends where the first cell's record
  // begins, and its other values are numbers and number lists.
  static const QByteArray flagTrue = QByteArray(1, char(8)) + "FullGrid" + char(9);
  const qsizetype headerEnd = Bytes.indexOf("TPF0", 4);
  const qsizetype at = Bytes.indexOf(flagTrue);
  if (at < 0 || (headerEnd >= 0 && at > headerEnd)) return Bytes;
  QByteArray out = Bytes;
  out[at + flagTrue.size() - 1] = '\x08';
  return out;
}

bool GridCellsReadable(const QByteArray& Bytes, TBinStreamHeader& Header) {
  if (!ReadBinStreamHeader(Bytes, Header)) return false;
  CheckLoadSize(Header.ColCount, Header.RowCount, QStringLiteral("grid cells"));
  try {
    CheckBinStreamBytes(Bytes);
  } catch (const Exception&) {
    return false;
  }
  return true;
}

QString RtfBytesToText(const QByteArray& Bytes) {
  QByteArray b = Bytes;
  const qsizetype zero = b.indexOf('\0');
  if (zero >= 0) b.truncate(zero);
  return TEncoding::ANSI()->GetString(b);
}

}  // namespace kitgridio

namespace {

QClipboard* SystemClipboard() { return QGuiApplication::clipboard(); }

TRect ToRect(const TGridRect& R) { return TRect(R.Left, R.Top, R.Right, R.Bottom); }

// The plain text of a cell that holds rich text.
QString RichCellPlainText(const QString& Rtf) {
  QString s = RtfToPlainText(RtfTextToBytes(Rtf));
  while (s.endsWith(u'\n') || s.endsWith(u'\r')) s.chop(1);
  return s;
}

}  // namespace

// ---------------------------------------------------------------------------
// Hooks

bool TKitStringGrid::GetAllowFMTClipboard() { return FNavigation->AllowFmtClipboard(); }

void TKitStringGrid::ClipboardPasteDone(const TGridRect& CellRect) {
  if (OnClipboardPasteDone) OnClipboardPasteDone(this, CellRect);
}

void TKitStringGrid::SetPasteModified(const TPoint& Source, const TGridRect& R, TClipOperation Op) {
  if (!FShowModified->Enabled()) return;
  for (int r = std::max(R.Top, 0); r <= R.Bottom && r < RowCount(); ++r) SetRowModified(r, true);
}

bool TKitStringGrid::IsEditable(int ARealCol, int ARow) {
  if (ARow < FixedRows() || ARow >= RowCount() || ARealCol < 0 || ARealCol >= AllColCount()) return false;
  const int dc = RealToDisplCol(ARealCol);
  if (dc < FixedCols() || IsFixed(dc, ARow)) return false;
  if (!Options().Contains(goEditing) && !FMouseActions->RangeSelectAndEdit()) return false;
  bool can = true;
  IsCellEditable(ARealCol, ARow, can);
  return can;
}

void TKitStringGrid::PasteCellValue(int ACol, int ARow, const QString& Value) {
  const int rc = FSaveHiddenCells ? ACol : DisplToRealCol(ACol);
  if (rc < 0 || rc >= AllColCount() || ARow < 0 || ARow >= RowCount()) return;
  if (UndoRedo() != nullptr) UndoRedo()->RegisterChange(rc, ARow, GetCellEx(rc, ARow), Value);
  TCellGraphic* g = GetCellGraphic(rc, ARow);
  if (g != nullptr && g->CellType() == ctCheckBox) {
    g->SetCellCheckBoxState(Value == FCheckTrue ? cbChecked : cbUnchecked);
    RepaintCell(ACol, ARow);
  } else {
    SetCellEx(rc, ARow, Value);
  }
  if (rc != ACol) RepaintCell(ACol, ARow);
}

void TKitStringGrid::ExpandSelectionToMerged() {
  TGridRect s = Selection();
  bool changed = false;
  if (IsMergedCell(s.Left, s.Top)) {
    const TPoint b = BaseCell(s.Left, s.Top);
    if (b.X < s.Left || b.Y < s.Top) changed = true;
    s.Left = std::min(s.Left, b.X);
    s.Top = std::min(s.Top, b.Y);
  }
  if (IsMergedCell(s.Right, s.Bottom)) {
    const TPoint b = BaseCell(s.Right, s.Bottom);
    const TPoint span = CellSpan(b.X, b.Y);
    const int right = std::max(s.Right, b.X + span.X), bottom = std::max(s.Bottom, b.Y + span.Y);
    if (right != s.Right || bottom != s.Bottom) changed = true;
    s.Right = right;
    s.Bottom = bottom;
  }
  if (changed) SetSelection(s);
}

// ---------------------------------------------------------------------------
// Text of a range

QString TKitStringGrid::SelectionToText(const TGridRect& ARect, bool Disjunct) {
  FClipTopLeft = TPoint(ARect.Left, ARect.Top);
  const bool multi = ARect.Top < ARect.Bottom;
  const bool excel = FExcelClipboardFormat && Multilinecells();
  const bool keepTags = FNavigation->CopyHTMLTagsToClipboard();
  TMouseActions* ma = FMouseActions.get();
  QString out;
  out.reserve(static_cast<qsizetype>(ARect.Right - ARect.Left + 1) * (ARect.Bottom - ARect.Top + 1) * 8);
  if (multi) ExportNotification(esExportStart, -1);
  const bool selRows = ARect.Top > FixedRows() || ARect.Bottom < RowCount() - FFixedFooters - 1;
  for (int r = ARect.Top; r <= ARect.Bottom; ++r) {
    if (multi) ExportNotification(selRows ? esExportSelRow : esExportNewRow, r);
    if (Disjunct && ma->DisjunctRowSelect() && !ma->DisjunctColSelect()) {
      const int sr = ma->RowSelectPersistent() ? DisplToRealRow(r) : r;
      if (!GetRowSelect(sr)) continue;
    }
    for (int c = ARect.Left; c <= ARect.Right; ++c) {
      if (Disjunct && ma->DisjunctColSelect() && !GetColSelect(c)) continue;
      const int rc = DisplToRealCol(c);
      QString s = SaveCell(rc, r);
      if (s.startsWith(QStringLiteral("|\\"))) s = DecodeWideText(s);
      if (!keepTags && s.contains(QStringLiteral("</"))) s = GetStrippedCell(rc, r);
      else if (s.contains(QStringLiteral("{\\"))) s = RichCellPlainText(s);
      // Quoting (and the Excel flavour's vertical tabs) last, once the
      // text is final.
      s = QuoteClipboardField(s, excel && CountLines(s, true) > 1);
      out += s;
      if (c < ARect.Right) out += u'\t';
    }
    if (multi) {
      ExportNotification(esExportNewRow, r);
      out += QStringLiteral("\r\n");
    }
  }
  if (multi) ExportNotification(esExportDone, -1);
  return out;
}

QString TKitStringGrid::SelectionAsText() { return SelectionToText(Selection(), false); }

void TKitStringGrid::SetSelectionAsText(const QString& Value) {
  const TGridRect s = Selection();
  const TTextBlock block = ParseTextBlock(Value);
  const int lines = static_cast<int>(block.Lines.size());
  CheckLoadSize(s.Left + block.MaxFields, s.Top + lines, QStringLiteral("text block"));
  int r = s.Top;
  int maxc = -1, maxr = -1;
  for (int k = 0; k < lines; ++k) {
    int i = s.Left;
    for (const QString& f : block.Lines[k]) {
      if (i >= ColCount()) SetColCount(i + 1);
      SetGridCell(i, r, f);
      maxc = std::max(maxc, DisplToRealCol(i));
      maxr = std::max(maxr, r);
      ++i;
    }
    if (k + 1 < lines) {
      ++r;
      const bool footer = FFloatingFooter->Visible() && FFloatingFooter->FooterStyle() == fsFixedLastRow;
      if (r >= RowCount() - (footer ? 1 : 0)) SetRowCount(RowCount() + 1);
    }
  }
  if (maxc >= 0) CellsChanged(TRect(DisplToRealCol(s.Left), s.Top, maxc, maxr));
  Invalidate();
}

// ---------------------------------------------------------------------------
// Copy and cut

void TKitStringGrid::CopyRangeToClipboard(const TGridRect& ARect, bool Disjunct) {
  auto data = std::make_unique<QMimeData>();
  data->setText(SelectionToText(ARect, Disjunct));
  if (FNavigation->AllowRTFClipboard()) {
    const QString cell = Cells(ARect.Left, ARect.Top);
    if (cell.contains(QStringLiteral("{\\"))) {
      const QByteArray rtf = RtfTextToBytes(cell);
      data->setData(QString::fromLatin1(kMimeRtf), rtf);
      data->setData(QString::fromLatin1(kMimeRtfAlt), rtf);
    }
  }
  if (FNavigation->AllowFmtClipboard()) {
    // The stream's own bytes go to the clipboard, not a copy of them.
    TBytesStream bs;
    SaveRectToBinStream(ToRect(ARect), &bs, false);
    data->setData(GridCellsMimeType(), bs.Bytes());
  }
  SystemClipboard()->setMimeData(data.release());
}

void TKitStringGrid::CopyToClipBoard() {
  CopyRangeToClipboard(TGridRect{SaveStartCol(), SaveStartRow(), SaveEndCol(), SaveEndRow()}, false);
  FClipLastOp = coCopy;
}

void TKitStringGrid::CopySelectionToClipboard() {
  ExpandSelectionToMerged();
  TMouseActions* ma = FMouseActions.get();
  const bool fmt = FNavigation->AllowFmtClipboard();
  if (ma->DisjunctRowSelect()) {
    if (fmt) CopyRangeToClipboard(Selection(), false);
    else
      CopyRangeToClipboard(TGridRect{FixedCols(), SaveStartRow(), ColCount() - FFixedRightCols - 1, SaveEndRow()},
                           true);
  } else if (ma->DisjunctColSelect() && !fmt) {
    CopyRangeToClipboard(TGridRect{SaveStartCol(), SaveStartRow(), SaveEndCol(), SaveEndRow()}, true);
  } else {
    CopyRangeToClipboard(Selection(), false);
  }
  FClipLastOp = coCopy;
}

void TKitStringGrid::CutToClipboard() {
  const TGridRect range{SaveStartCol(), SaveStartRow(), SaveEndCol(), SaveEndRow()};
  CopyRangeToClipboard(range, false);
  const bool always = FNavigation->AllowClipboardAlways();
  BeginUpdate();
  for (int r = range.Top; r <= range.Bottom; ++r)
    for (int c = range.Left; c <= range.Right; ++c) {
      const int rc = DisplToRealCol(c);
      if (always || IsEditable(rc, r)) SetCellEx(rc, r, QString());
    }
  if (FShowModified->Enabled())
    for (int r = range.Top; r <= range.Bottom; ++r) SetRowModified(r, true);
  EndUpdate();
  if (FNavigation->ClipboardCutAction() == caRemove && Options().Contains(goRowSelect))
    RemoveRows(range.Top, range.Bottom - range.Top + 1);
  FClipLastOp = coCut;
}

void TKitStringGrid::CutSelectionToClipboard() {
  const TGridRect sel = Selection();
  CopySelectionToClipboard();
  TMouseActions* ma = FMouseActions.get();
  const bool always = FNavigation->AllowClipboardAlways();
  auto rowTaken = [&](int r) { return GetRowSelect(ma->RowSelectPersistent() ? DisplToRealRow(r) : r); };
  BeginUpdate();
  if (ma->DisjunctRowSelect()) {
    for (int r = FixedRows(); r < RowCount(); ++r)
      if (rowTaken(r)) {
        ClearRows(r, 1);
        if (FShowModified->Enabled()) SetRowModified(r, true);
      }
  } else if (ma->DisjunctColSelect()) {
    for (int c = FixedCols(); c < ColCount(); ++c)
      if (GetColSelect(c)) ClearCols(c, 1);
  } else {
    if (UndoRedo() != nullptr) UndoRedo()->StartSequence();
    for (int r = sel.Top; r <= sel.Bottom; ++r)
      for (int c = sel.Left; c <= sel.Right; ++c) {
        const int rc = RealColIndex(c);
        if (!always && !IsEditable(rc, r)) continue;
        if (UndoRedo() != nullptr) UndoRedo()->RegisterChange(rc, r, GetCellEx(rc, r), QString());
        SetCellEx(rc, r, QString());
      }
    if (UndoRedo() != nullptr) UndoRedo()->StopSequence();
    if (FShowModified->Enabled())
      for (int r = sel.Top; r <= sel.Bottom; ++r) SetRowModified(r, true);
    if (FNavigation->AllowFmtClipboard()) FreeCellPropertiesRect(sel.Left, sel.Top, sel.Right, sel.Bottom);
  }
  EndUpdate();
  FClipLastOp = coCut;
  CellsChanged(ToRect(sel));
  if (FNavigation->ClipboardCutAction() == caRemove && Options().Contains(goRowSelect)) {
    if (ma->DisjunctRowSelect()) {
      TIntList rows(-1, -1);
      for (int r = FixedRows(); r < RowCount(); ++r)
        if (rowTaken(r)) rows.Add(r);
      ClearRowSelect();
      RemoveRowList(&rows);
    } else {
      const TGridRect s = Selection();
      RemoveRows(s.Top, s.Bottom - s.Top + 1);
    }
  }
  if (NumHiddenColumns() > 0) Invalidate();
}

void TKitStringGrid::CopyToClipBoardAsHTML() {
  CopyRectToClipboardAsHTML(TGridRect{0, 0, ColCount() - 1, RowCount() - 1});
}

void TKitStringGrid::CopyRectToClipboardAsHTML(const TGridRect& ARect) {
  // Pictures of the cells go to a folder of their own under the temporary
  // folder, which the HTML links to.
  const QString dir = QDir::tempPath() + QStringLiteral("/tallowfinch-clipboard/");
  const QString fragment = SaveRectToHTMLString(ARect, dir);
  QString cfHtml = fragment;
  BuildClipboardHtml(cfHtml);
  auto data = std::make_unique<QMimeData>();
  // Other programs here read text/html as a plain UTF-8 document; the
  // Windows-style text with its offsets stands beside it.
  data->setHtml(QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"></head><body>\n") + fragment +
                QStringLiteral("\n</body></html>\n"));
  data->setData(HtmlFormatMimeType(), cfHtml.toUtf8());
  // The plain text is the range's TAB text, so that pasting into a text
  // editor or a grid gives the cells rather than the markup.
  data->setText(SelectionToText(ARect, false));
  SystemClipboard()->setMimeData(data.release());
  FClipLastOp = coCopy;
}

// ---------------------------------------------------------------------------
// Paste

int TKitStringGrid::PasteTextBlock(int ACol, int ARow, const QString& Text, int& Cols, int& Rows) {
  Cols = Rows = 0;
  if (ACol < 0 || ARow < 0) return 0;
  const bool always = FNavigation->AllowClipboardAlways();
  if (!Options().Contains(goEditing) && !always && !FMouseActions->RangeSelectAndEdit()) return 0;
  const int hidden = FSaveHiddenCells ? NumHiddenColumns() : 0;
  const TTextBlock block = ParseTextBlock(Text);
  const int lines = static_cast<int>(block.Lines.size());
  const int pieces = lines + (block.FinalEmpty ? 1 : 0);
  // Sizes from another program are held to the caps before anything moves.
  CheckLoadSize(ACol + block.MaxFields, ARow + lines, QStringLiteral("clipboard text"));
  const bool colGrow = FNavigation->AllowClipboardColGrow();
  const bool rowGrow = FNavigation->AllowClipboardRowGrow();
  const bool insert = FNavigation->ClipboardPasteAction() == paInsert;
  const bool footer = FFloatingFooter->Visible() && FFloatingFooter->FooterStyle() == fsFixedLastRow;

  BeginUpdate();
  // Growth in one step: the same counts as growing line by line and field
  // by field, without a resize per line.
  if (colGrow && ACol + block.MaxFields > ColCount() + hidden) SetColCount(ACol + block.MaxFields - hidden);
  if (rowGrow && !insert && lines > 1) {
    const int limit = RowCount() - (footer ? 1 : 0);
    const int need = ARow + lines - 1;
    if (need >= limit) SetRowCount(RowCount() + (need - limit + 1));
  }
  if (UndoRedo() != nullptr) UndoRedo()->StartSequence();
  int result = 0, r = ARow, maxc = -1, maxr = -1, maxRealC = -1;
  for (int k = 0; k < pieces; ++k) {
    ++Rows;
    ImportNotification(FPasteAll ? isImportNewRow : isImportSelRow, r);
    if (k >= lines) {
      ++result;  // the empty piece after a final line break
      break;
    }
    const bool nonEmpty = !block.LineEmpty[k];
    if (nonEmpty && insert) InsertRows(r, 1, true);
    if (nonEmpty) Cols = static_cast<int>(block.Lines[k].size());
    int i = ACol;
    for (const QString& field : block.Lines[k]) {
      if (colGrow && i >= ColCount() + hidden) SetColCount(i + 1 - hidden);
      if (i < ColCount() + hidden && r < RowCount() && (always || IsEditable(DisplToRealCol(i), r))) {
        bool allow = true;
        QString v = field;
        const bool wide = v.startsWith(QStringLiteral("|\\"));
        if (wide) {
          if (OnClipboardBeforePasteWideCell) {
            v = DecodeWideText(v);
            OnClipboardBeforePasteWideCell(this, i, r, v, allow);
            v = EncodeWideText(v);
          }
        } else if (OnClipboardBeforePasteCell) {
          OnClipboardBeforePasteCell(this, i, r, v, allow);
        }
        if (allow) {
          PasteCellValue(i, r, v);
          maxc = std::max(maxc, i);
          maxRealC = std::max(maxRealC, DisplToRealCol(i));
          maxr = std::max(maxr, r);
          if (wide) {
            if (OnClipboardAfterPasteWideCell) OnClipboardAfterPasteWideCell(this, i, r, DecodeWideText(v));
          } else if (OnClipboardAfterPasteCell) {
            OnClipboardAfterPasteCell(this, i, r, v);
          }
        }
      }
      ++result;
      ++i;
    }
    if (k + 1 < lines) {
      ++r;
      const int limit = RowCount() - (footer ? 1 : 0);
      if (r == limit && rowGrow) SetRowCount(RowCount() + 1);
    }
  }
  Rows -= 1;
  if (pieces == 1 && lines == 1 && !block.Lines[0].isEmpty()) Rows = 1;
  if (UndoRedo() != nullptr) UndoRedo()->StopSequence();
  EndUpdate();
  SetPasteModified(FClipTopLeft, TGridRect{ACol, ARow, std::max(maxc, ACol), std::max(maxr, ARow)}, FClipLastOp);
  if (maxc >= 0) CellsChanged(TRect(DisplToRealCol(ACol), ARow, maxRealC, maxr));
  Invalidate();
  return result;
}

bool TKitStringGrid::PastePrivateFormat(const QByteArray& Bytes, int ACol, int ARow, int& Cols, int& Rows,
                                        int& Result) {
  const QByteArray Data = AtPointStream(Bytes);
  TBinStreamHeader h;
  if (!GridCellsReadable(Data, h)) return false;
  PasteStarted();
  const bool colGrow = FNavigation->AllowClipboardColGrow();
  const bool rowGrow = FNavigation->AllowClipboardRowGrow();
  const bool insert = FNavigation->ClipboardPasteAction() == paInsert;
  if (colGrow || rowGrow) CheckLoadSize(h.ColCount + ACol, h.RowCount + ARow, QStringLiteral("clipboard grid cells"));
  BeginUpdate();
  if (colGrow && ColCount() < h.ColCount + ACol) SetColCount(h.ColCount + ACol);
  if (rowGrow && RowCount() < h.RowCount + ARow) SetRowCount(h.RowCount + ARow);
  if (insert) InsertRows(ARow, h.RowCount, true);
  {
    TBytesStream bs(Data);
    LoadAtPointFromBinStream(TPoint(ACol, ARow), &bs);
  }
  EndUpdate();
  const TGridRect rect{ACol, ARow, ACol + h.ColCount - 1, ARow + h.RowCount - 1};
  if (h.ID == GridStreamID(*this)) SetPasteModified(FClipTopLeft, rect, FClipLastOp);
  else SetPasteModified(TPoint(-1, -1), rect, FClipLastOp);
  Cols = h.ColCount;
  Rows = h.RowCount;
  Result = Cols * Rows;
  PasteFinished();
  Invalidate();
  return true;
}

int TKitStringGrid::PasteFromClipboardAt(int ACol, int ARow, int& Cols, int& Rows) {
  Cols = Rows = 0;
  const QMimeData* data = SystemClipboard()->mimeData();
  if (data == nullptr) return 0;
  if (GetAllowFMTClipboard() && data->hasFormat(GridCellsMimeType())) {
    int result = 0;
    if (PastePrivateFormat(data->data(GridCellsMimeType()), ACol, ARow, Cols, Rows, result)) return result;
    // Damaged grid cells: the text that every copy puts beside them is
    // pasted instead.
  }
  if (FNavigation->AllowRTFClipboard() &&
      (data->hasFormat(QString::fromLatin1(kMimeRtf)) || data->hasFormat(QString::fromLatin1(kMimeRtfAlt)))) {
    QByteArray bytes = data->data(QString::fromLatin1(kMimeRtf));
    if (bytes.isEmpty()) bytes = data->data(QString::fromLatin1(kMimeRtfAlt));
    if (LooksLikeRtf(bytes)) {
      const QString text = RtfBytesToText(bytes);
      if (IsEditable(DisplToRealCol(ACol), ARow)) PasteCellValue(ACol, ARow, text);
      Cols = Rows = 1;
      return 0;
    }
  }
  if (data->hasText()) return PasteTextBlock(ACol, ARow, data->text(), Cols, Rows);
  return 0;
}

void TKitStringGrid::PasteFromClipboard() {
  ImportNotification(isImportStart, -1);
  FPasteAll = true;
  int cols = 0, rows = 0;
  PasteFromClipboardAt(SaveStartCol(), SaveStartRow(), cols, rows);
  ImportNotification(isImportDone, -1);
  ClipboardPasteDone(TGridRect{SaveStartCol(), SaveStartRow(), SaveStartCol() + cols - 1, SaveStartRow() + rows - 1});
  RecalcAllFooters();
}

void TKitStringGrid::StoreFilledValue(int c, int r, const QString& v, bool Events) {
  bool allow = true;
  QString value = v;
  if (Events && OnClipboardBeforePasteCell) OnClipboardBeforePasteCell(this, c, r, value, allow);
  if (allow) PasteCellValue(c, r, value);
  SetPasteModified(FClipTopLeft, TGridRect{c, r, c, r}, coCopy);
  if (Events && allow && OnClipboardAfterPasteCell) OnClipboardAfterPasteCell(this, c, r, value);
}

void TKitStringGrid::PasteSelectionFromClipboard() {
  ImportNotification(isImportStart, -1);
  FPasteAll = false;
  int cols = 0, rows = 0;
  ExpandSelectionToMerged();
  TGridRect s = Selection();
  const int n = Options().Contains(goRowSelect) ? PasteFromClipboardAt(FixedCols(), s.Top, cols, rows)
                                                : PasteFromClipboardAt(s.Left, s.Top, cols, rows);
  s = Selection();
  if (!FNavigation->AllowSmartClipboard()) {
    if (cols > 0 && rows > 0) {
      ClipboardPasteDone(TGridRect{s.Left, s.Top, s.Left + cols - 1, s.Top + rows - 1});
      RecalcAllFooters();
    }
    return;
  }
  PasteSmartFill(n, cols, rows);
}

void TKitStringGrid::PasteSmartFill(int n, int Cols, int Rows) {
  TGridRect s = Selection();
  const qint64 m = qint64(s.Right - s.Left + 1) * (s.Bottom - s.Top + 1);
  if (n >= m) return;
  const bool always = FNavigation->AllowClipboardAlways();
  PasteStarted();
  BeginUpdate();
  if (n == 1) {
    const int rc = DisplToRealCol(s.Left);
    QString v = GetCellEx(rc, s.Top);
    if (TCellGraphic* g = GetCellGraphic(rc, s.Top); g != nullptr && g->CellType() == ctCheckBox)
      v = g->CellCheckBoxState() == cbChecked ? FCheckTrue : FCheckFalse;
    for (int c = s.Left; c <= s.Right; ++c)
      for (int r = s.Top; r <= s.Bottom; ++r) {
        if (!always && !IsEditable(DisplToRealCol(c), r)) continue;
        StoreFilledValue(c, r, v, !(c == s.Left && r == s.Top));
      }
  }
  PasteFinished();

  const bool singleCol = s.Left == s.Right, singleRow = s.Top == s.Bottom;
  if (n > 1 && (singleCol || singleRow)) {
    const QString first = GetCellEx(DisplToRealCol(s.Left), s.Top);
    const QString second =
        singleCol ? GetCellEx(DisplToRealCol(s.Left), s.Top + 1) : GetCellEx(DisplToRealCol(s.Left + 1), s.Top);
    // Every cell of S in order (column by column, row by row within it),
    // with a running value that advances after each cell.
    auto each = [&](const std::function<QString()>& Value, const std::function<bool()>& Advance) {
      for (int c = s.Left; c <= s.Right; ++c)
        for (int r = s.Top; r <= s.Bottom; ++r) {
          if (IsEditable(DisplToRealCol(c), r)) StoreFilledValue(c, r, Value(), !(c == s.Left && r == s.Top));
          if (!Advance()) return;
        }
    };
    const TFormatSettings& fs = FormatSettings;
    auto isDateLike = [&](const QString& t) { return LooksLikeDate(t) || t.contains(fs.TimeSeparator); };
    Int64 i1 = 0, i2 = 0;
    bool series = true;
    if (isDateLike(first) && isDateLike(second)) {
      TDateTime d1 = 0, d2 = 0;
      if (TryStrToDateTime(first, d1) && TryStrToDateTime(second, d2)) {
        Word y1, m1, dd1, y2, m2, dd2;
        DecodeDate(d1, y1, m1, dd1);
        DecodeDate(d2, y2, m2, dd2);
        const int dy = int(y2) - int(y1), dm = int(m2) - int(m1), dd = int(dd2) - int(dd1);
        const double step = d2 - d1;
        const bool asDate = first.contains(fs.DateSeparator);
        TDateTime d = d1;
        bool ok = true;
        each([&] { return asDate ? DateToStr(d) : TimeToStr(d); },
             [&] {
               try {
                 d = IncDateParts(dy, dm, dd, step, d);
               } catch (const Exception&) {
                 ok = false;
               }
               return ok;
             });
      }
    } else if (first.contains(fs.DecimalSeparator) || second.contains(fs.DecimalSeparator)) {
      Extended f1 = 0, f2 = 0;
      if (TryStrToFloat(first, f1) && TryStrToFloat(second, f2)) {
        Extended f = f1;
        const Extended step = f2 - f1;
        each([&] { return Format(FFloatFormat, {f}); },
             [&] {
               f += step;
               return true;
             });
      }
    } else if (TryStrToInt64(first, i1) && TryStrToInt64(second, i2)) {
      Int64 v = i1;
      const Int64 step = i2 - i1;
      each([&] { return QString::number(v); },
           [&] {
             v += step;
             return true;
           });
    } else {
      series = false;
      const int k = n - 1;
      if (k > 0) {
        if (singleCol) {
          for (int r = s.Top + k; r <= s.Bottom; ++r)
            if (IsEditable(DisplToRealCol(s.Left), r))
              StoreFilledValue(s.Left, r, GetCellEx(DisplToRealCol(s.Left), r - k), true);
          SetPasteModified(TPoint(s.Left, s.Top), TGridRect{s.Left, s.Top + k, s.Left, s.Bottom}, coCopy);
        } else {
          for (int c = s.Left + k; c <= s.Right; ++c)
            if (IsEditable(DisplToRealCol(c), s.Top))
              StoreFilledValue(c, s.Top, GetCellEx(DisplToRealCol(c - k), s.Top), true);
          SetPasteModified(TPoint(s.Left, s.Top), TGridRect{s.Left + k, s.Top, s.Right, s.Top}, coCopy);
        }
      }
    }
    if (series) {
      EndUpdate();
      CellsChanged(ToRect(s));
      Invalidate();
      return;
    }
  }
  EndUpdate();

  // A pasted row or column repeated over the rest of a block selection.
  if (s.Bottom > s.Top && s.Right > s.Left) {
    int c2 = 0, r2 = 0;
    if (Rows == 1) {
      for (int r = s.Top + 1; r <= s.Bottom; ++r) {
        SetRowEx(r);
        PasteFromClipboardAt(s.Left, r, c2, r2);
      }
      SetSelection(s);
    } else if (Cols == 1) {
      for (int c = s.Left + 1; c <= s.Right; ++c) {
        SetCol(c);
        PasteFromClipboardAt(c, s.Top, c2, r2);
      }
      SetSelection(s);
    }
  }
  ImportNotification(isImportDone, -1);
  CellsChanged(ToRect(s));
  ClipboardPasteDone(s);
  RecalcAllFooters();
  Invalidate();
}
