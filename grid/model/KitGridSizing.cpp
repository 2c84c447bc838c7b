// Column sizing to content: every column, one column, growing only.
//
// Each cell is measured as the painter lays it out (MeasureCellText). Plain
// one-line cells without properties of their own all take the grid's font,
// so a column measures them with the canvas font set once and the widths of
// equal texts remembered for the run: the same answers as the cell-by-cell
// measurement, without setting up the font for every cell.

#include <QHash>
#include <algorithm>

#include "grid/model/KitGrid.h"
#include "grid/model/KitGridCellGraphic.h"
#include "grid/model/KitGridUtils.h"

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
                           !FControlLook->SpinButtonsAlwaysVisible() && !FWordWrapEx && !FMultilinecells &&
                           !EditorMode();
  TCanvas* canvas = Canvas();
  bool fontReady = false;
  QHash<QString, int> widths;
  auto plainWidth = [&](const QString& Text) {
    auto it = widths.constFind(Text);
    if (it != widths.constEnd()) return *it;
    const int w = canvas->TextWidth(Text);
    widths.insert(Text, w);
    return w;
  };

  const int dropDown = int(Round(FControlLook->DropDownButtonWidth() * GetDPIScale()));
  int widest = 0;
  bool any = false;
  for (int r = fromRow; r <= toRow; ++r) {
    if (IsXMergedCell(rc, r)) continue;
    const bool fixedRow = r < RawFixedRows() || Index < RawFixedCols();
    TCellProperties* rec = FindCellProperties(rc, r);
    int w = 0;
    if (plainColumn && rec == nullptr && !fixedRow && !HasNodes()) {
      QString text = GetCellEx(rc, r);
      const int kind = text.isEmpty() ? 0 : GetCellTextKind(text, FEnableHTML);
      if (kind == 0 || kind == 4) {
        if (!fontReady) {
          TGridDrawState state;
          GetFontProperties(Index, rc, r, state, canvas->Font(), canvas->Brush());
          fontReady = true;
          widths.clear();
        }
        QString line;
        ExtractFirstLine(text, false, line);
        if (FURLShow && !FURLFull) StripUrlScheme(line);
        w = line.isEmpty() ? 0 : plainWidth(line);
        any = true;
        widest = std::max(widest, w);
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
  const int offset = FXYOffsetTopLeftOnly ? FXYOffset.X : 2 * FXYOffset.X;
  int wanted = widest + offset + 2 * GridLineWidth() + 2;
  if (GrowOnly && ColWidths(Index) >= wanted) return;
  UpdateAutoColumnSize(Index, wanted);
  SetColWidths(Index, ApplySizeLimits(wanted, FMinColWidth, FMaxColWidth));
}
