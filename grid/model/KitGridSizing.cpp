// Column sizing to content: every column, one column, growing only.
//
// Each cell is measured as the painter lays it out (MeasureCellText). Plain
// one-line cells without properties of their own all take the grid's font,
// so a column measures them with the canvas font set once and the widths of
// equal texts remembered for the run: the same answers as the cell-by-cell
// measurement, without setting up the font for every cell.

#include <QFontMetrics>
#include <QHash>
#include <QThread>
#include <thread>
#include <vector>
#include <algorithm>

#include "grid/model/KitGrid.h"
#include "grid/model/KitGridCellGraphic.h"
#include "grid/model/KitGridUtils.h"

namespace {

// The widest of Texts as the canvas measures them in its font. A long list
// is measured on several threads with font metrics of the same font (each
// thread keeps its own font engines); first a sample is measured both ways,
// and any difference keeps the whole list on the canvas.
int WidestText(TCanvas* Canvas, const QFont& Font, const std::vector<QString>& Texts) {
  const size_t n = Texts.size();
  auto onCanvas = [&](size_t from, size_t to) {
    QHash<QString, int> seen;
    int widest = 0;
    for (size_t i = from; i < to; ++i) {
      auto it = seen.constFind(Texts[i]);
      const int w = it != seen.constEnd() ? *it : Canvas->TextWidth(Texts[i]);
      if (it == seen.constEnd()) seen.insert(Texts[i], w);
      widest = std::max(widest, w);
    }
    return widest;
  };
  const int threads = std::min(8, QThread::idealThreadCount());
  if (n < 4096 || threads < 2) return onCanvas(0, n);
  const QFontMetrics metrics(Font);
  const size_t step = std::max<size_t>(1, n / 64);
  for (size_t i = 0; i < n; i += step)
    if (metrics.horizontalAdvance(Texts[i]) != Canvas->TextWidth(Texts[i])) return onCanvas(0, n);
  std::vector<int> widest(size_t(threads), 0);
  std::vector<std::thread> workers;
  const size_t chunk = (n + size_t(threads) - 1) / size_t(threads);
  for (int t = 0; t < threads; ++t)
    workers.emplace_back([&, t] {
      const QFontMetrics m(Font);
      QHash<QString, int> seen;
      const size_t to = std::min(n, (size_t(t) + 1) * chunk);
      for (size_t i = size_t(t) * chunk; i < to; ++i) {
        auto it = seen.constFind(Texts[i]);
        const int w = it != seen.constEnd() ? *it : m.horizontalAdvance(Texts[i]);
        if (it == seen.constEnd()) seen.insert(Texts[i], w);
        widest[size_t(t)] = std::max(widest[size_t(t)], w);
      }
    });
  for (std::thread& w : workers) w.join();
  return *std::max_element(widest.begin(), widest.end());
}

}  // namespace

void TKitStringGrid::AutoSizeColumns(bool DoFixedCols, int Padding) {
  const int first = DoFixedCols ? 0 : RawFixedCols();
  const int last = DoFixedCols ? ColCount() - 1 : ColCount() - FFixedRightCols - 1;
  for (int c = first; c <= last; ++c) {
    AutoSizeCol(c, 0);
    if (Padding != 0) SetColWidths(c, ApplySizeLimits(ColWidths(c) + Padding, FMinColWidth, FMaxColWidth));
  }
}

void TKitStringGrid::AutoGrowColumns(bool DoFixedCols, int Padding) {
  const bool saved = FSizeGrowOnly;
  FSizeGrowOnly = true;
  try {
    AutoSizeColumns(DoFixedCols, Padding);
  } catch (...) {
    FSizeGrowOnly = saved;
    throw;
  }
  FSizeGrowOnly = saved;
}

void TKitStringGrid::AutoSizeCol(int Index, int Padding) {
  if (Index < 0 || Index >= ColCount()) return;
  SizeColumnToContents(Index, FSizeGrowOnly);
  if (Padding != 0) SetColWidths(Index, ApplySizeLimits(ColWidths(Index) + Padding, FMinColWidth, FMaxColWidth));
}

void TKitStringGrid::AutoGrowCol(int ACol, int Padding) {
  const bool saved = FSizeGrowOnly;
  FSizeGrowOnly = true;
  try {
    AutoSizeCol(ACol, Padding);
  } catch (...) {
    FSizeGrowOnly = saved;
    throw;
  }
  FSizeGrowOnly = saved;
}

void TKitStringGrid::SizeColumnToContents(int Index, bool GrowOnly) {
  if (Index < 0 || Index >= ColCount()) return;
  const int rc = DisplToRealCol(Index);
  int fromRow = 0;
  int toRow = RowCount() - 1;
  switch (FColumnSize->Rows()) {
    case arAll: break;
    case arNormal:
      fromRow = RawFixedRows();
      toRow = RowCount() - FFixedFooters - 1;
      break;
    case arFixed: toRow = RawFixedRows() - 1; break;
    case arVisible:
      fromRow = TopRow();
      toRow = std::min(RowCount() - 1, TopRow() + VisibleRowCount());
      break;
  }

  // The fast path's conditions that hold for the whole column: no hook that
  // changes a cell's font or text, no zoom, no always-visible buttons, one
  // line per cell as measured.
  const bool plainColumn = !OnGetCellColor && !OnGetFloatFormat && !OnGetDisplText && !OnGetDisplWideText &&
                           FZoomFactor == 0 && !FControlLook->DropDownAlwaysVisible() &&
                           !FControlLook->SpinButtonsAlwaysVisible() && !FMultilinecells && !EditorMode();
  // Wrapped measuring at an unlimited width lays a text out as one line
  // when it has no line break, tab or trailing blank: its width is the
  // text's width.
  auto oneLine = [](const QString& Text) {
    for (QChar ch : Text)
      if (ch == u'\r' || ch == u'\n' || ch == u'\t') return false;
    return Text.isEmpty() || !Text.back().isSpace();
  };
  TCanvas* canvas = Canvas();
  bool fontReady = false;
  // The plain one-line texts of the column, measured together at the end in
  // the font they share.
  std::vector<QString> plainTexts;
  plainTexts.reserve(size_t(std::max(0, toRow - fromRow + 1)));
  QFont plainFont;
  int firstPlainRow = -1;

  const int dropDown = int(Round(FControlLook->DropDownButtonWidth() * GetDPIScale()));
  int widest = 0;
  bool any = false;
  for (int r = fromRow; r <= toRow; ++r) {
    // Only a cell with a record can be merged.
    TCellProperties* rec = FindCellProperties(rc, r);
    if (rec != nullptr && IsXMergedCell(rc, r)) continue;
    const bool fixedRow = r < RawFixedRows() || Index < RawFixedCols();
    int w = 0;
    if (plainColumn && rec == nullptr && !fixedRow && !HasNodes()) {
      // Not covered by a merged area (no record) and no display hook: the
      // stored text is the cell's text.
      QString text = GetGridCell(rc, r);
      const int kind = text.isEmpty() ? 0 : GetCellTextKind(text, FEnableHTML);
      if ((kind == 0 || kind == 4) && (!FWordWrapEx || oneLine(text))) {
        if (!fontReady) {
          TGridDrawState state;
          GetFontProperties(Index, rc, r, state, canvas->Font(), canvas->Brush());
          fontReady = true;
          // Plain cells share this font: the texts gathered so far were
          // taken with it too (nothing else changes the font of a plain
          // cell).
          plainFont = canvas->Font()->QtFont();
          if (firstPlainRow < 0) firstPlainRow = r;
        }
        QString line = text;
        if (line.contains(u'\r')) ExtractFirstLine(text, false, line);
        if (FURLShow && !FURLFull) StripUrlScheme(line);
        if (!line.isEmpty()) plainTexts.push_back(line);
        any = true;
        continue;
      }
    }
    // Any other cell: measured cell by cell (which sets the canvas font).
    fontReady = false;
    TSize size;
    MeasureCellText(Index, rc, size, false, FWordWrapEx, true, r);
    w = size.cx;
    TCellGraphic* graphic = GetCellGraphic(rc, r);
    const TPoint gsize = graphic != nullptr ? GetCellGraphicSize(rc, r) : TPoint(0, 0);
    if (graphic != nullptr && graphic->CellHAlign() == haFull) {
      w = gsize.X - (2 * GridLineWidth() + FXYOffset.X + 2);
    } else {
      w += gsize.X;
      if (Index == 0 && IsNode(r)) w += 16;
      if (FControlLook->DropDownAlwaysVisible()) {
        TEditorType editor = FDefaultEditor;
        GetCellEditorType(rc, r, editor);
        if (HasComboBox(rc, r, editor)) w += dropDown;
      }
      if (FFilterDropDownAuto && r == FFilterDropDownRow && BuildFilterList(rc, true, false)) w += 16;
      if (IsSortIndicatorCell(Index, r) && rc == FSortSettings->Column()) w += 10;
    }
    any = true;
    widest = std::max(widest, w);
  }
  (void)any;
  if (!plainTexts.empty()) {
    // The canvas in the plain cells' font again (a cell measured on its
    // own may have changed it).
    TGridDrawState state;
    GetFontProperties(Index, rc, firstPlainRow, state, canvas->Font(), canvas->Brush());
    widest = std::max(widest, WidestText(canvas, plainFont, plainTexts));
  }
  const int offset = FXYOffsetTopLeftOnly ? FXYOffset.X : 2 * FXYOffset.X;
  int wanted = widest + offset + 2 * GridLineWidth() + 2;
  if (GrowOnly && ColWidths(Index) >= wanted) return;
  UpdateAutoColumnSize(Index, wanted);
  SetColWidths(Index, ApplySizeLimits(wanted, FMinColWidth, FMaxColWidth));
}
