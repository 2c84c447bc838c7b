// Column sizing to content: every column, one column, growing only.
//
// Each cell is measured as the painter lays it out (MeasureCellText). Plain
// one-line cells without properties of their own all take the grid's font,
// so a column measures them with the canvas font set once and the widths of
// equal texts remembered for the run: the same answers as the cell-by-cell
// measurement, without setting up the font for every cell.

#include <QFontMetrics>
#include <QHash>
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "grid/model/KitGrid.h"
#include "grid/model/KitGridCellGraphic.h"
#include "grid/model/KitGridUtils.h"

namespace {

// The plain one-line texts of a column, in the font they share, and the
// widest of them as the canvas measures them.
//
// Shaping every text is what costs (a column of 100,000 distinct phone
// numbers); only the widest matters. Each text gets the sum of its
// characters' advances (a table per character) and the set of its characters
// as it is added, while its characters are at hand. Texts whose sum falls
// more than 10 % + 4 pixels short of the largest sum cannot be the widest
// (kerning and rounding move a width by far less) and are left out. Of the
// rest, a text whose characters all keep their advances beside each other
// (every pair of the column's characters is shaped once to find out) is as
// wide as its rounded sum; the others are shaped. A sample of the summed
// texts is shaped as well, and any difference sends every text to the
// canvas.
class TPlainTexts {
 public:
  explicit TPlainTexts(const QFont& Font) : FMetrics(Font), FAdvance(kTable, -1.0), FSlot(kTable, -1) {}

  void Add(const QString& Text) {
    double sum = 0;
    uint64_t mask = 0;
    bool always = false;
    for (QChar ch : Text) {
      const char16_t u = ch.unicode();
      if (u >= kTable) {
        always = true;
        break;
      }
      double& a = FAdvance[u];
      if (a < 0) a = FMetrics.horizontalAdvance(ch);
      sum += a;
      int& slot = FSlot[u];
      if (slot < 0) {
        slot = int(FChars.size());
        FChars.push_back(u);
      }
      if (slot < 64) mask |= uint64_t(1) << slot; else always = true;
    }
    FTexts.push_back(Text);
    FSums.push_back(sum);
    FMasks.push_back(always ? ~uint64_t(0) : mask);
    FAlways.push_back(always);
    if (!always) FLargest = std::max(FLargest, sum);
  }

  int Widest(TCanvas* Canvas) {
    const size_t n = FTexts.size();
    if (n == 0) return 0;
    const double threshold = FLargest * 0.9 - 4;
    auto candidate = [&](size_t i) { return FAlways[i] || FSums[i] >= threshold; };
    // For each of the first 64 characters: the characters beside which it
    // keeps its advance, on either side.
    const size_t k = std::min<size_t>(FChars.size(), 64);
    std::vector<uint64_t> steadyWith(k, 0);
    for (size_t x = 0; x < k; ++x)
      for (size_t y = x; y < k; ++y) {
        const QChar ab[2] = {QChar(FChars[x]), QChar(FChars[y])};
        const QChar ba[2] = {QChar(FChars[y]), QChar(FChars[x])};
        const double sum = FAdvance[FChars[x]] + FAdvance[FChars[y]];
        if (FMetrics.horizontalAdvance(QString(ab, 2)) == sum && FMetrics.horizontalAdvance(QString(ba, 2)) == sum) {
          steadyWith[x] |= uint64_t(1) << y;
          steadyWith[y] |= uint64_t(1) << x;
        }
      }
    auto summed = [&](size_t i) {
      if (FAlways[i]) return false;
      const uint64_t mask = FMasks[i];
      for (size_t x = 0; x < k; ++x)
        if ((mask >> x & 1) && (mask & ~steadyWith[x]) != 0) return false;
      return true;
    };
    auto rounded = [&](size_t i) { return int(std::floor(FSums[i] + 0.5)); };
    QHash<QString, int> seen;
    auto shaped = [&](size_t i) {
      auto it = seen.constFind(FTexts[i]);
      if (it != seen.constEnd()) return *it;
      const int w = Canvas->TextWidth(FTexts[i]);
      seen.insert(FTexts[i], w);
      return w;
    };
    bool trusted = true;
    int checked = 0;
    for (size_t i = 0; i < n && checked < 32; i += std::max<size_t>(1, n / 32))
      if (candidate(i) && summed(i)) {
        ++checked;
        if (shaped(i) != rounded(i)) trusted = false;
      }
    int widest = 0;
    for (size_t i = 0; i < n; ++i) {
      if (!trusted) {
        widest = std::max(widest, shaped(i));
        continue;
      }
      if (!candidate(i)) continue;
      widest = std::max(widest, summed(i) ? rounded(i) : shaped(i));
    }
    return widest;
  }

  bool Empty() const { return FTexts.empty(); }

 private:
  static constexpr int kTable = 0x3000;
  QFontMetricsF FMetrics;
  std::vector<double> FAdvance;
  std::vector<int> FSlot;
  std::vector<char16_t> FChars;
  std::vector<QString> FTexts;
  std::vector<double> FSums;
  std::vector<uint64_t> FMasks;
  std::vector<char> FAlways;
  double FLargest = 0;
};

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
  std::unique_ptr<TPlainTexts> plainTexts;
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
      const bool single = oneLine(text);
      if ((kind == 0 || kind == 4) && (!FWordWrapEx || single)) {
        if (!fontReady) {
          TGridDrawState state;
          GetFontProperties(Index, rc, r, state, canvas->Font(), canvas->Brush());
          fontReady = true;
          // Plain cells share this font: the texts gathered so far were
          // taken with it too (nothing else changes the font of a plain
          // cell).
          if (!plainTexts) plainTexts = std::make_unique<TPlainTexts>(canvas->Font()->QtFont());
          if (firstPlainRow < 0) firstPlainRow = r;
        }
        QString line = text;
        if (!single && line.contains(u'\r')) ExtractFirstLine(text, false, line);
        if (FURLShow && !FURLFull) StripUrlScheme(line);
        if (!line.isEmpty()) plainTexts->Add(line);
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
  if (plainTexts && !plainTexts->Empty()) {
    // The canvas in the plain cells' font again (a cell measured on its
    // own may have changed it).
    TGridDrawState state;
    GetFontProperties(Index, rc, firstPlainRow, state, canvas->Font(), canvas->Brush());
    widest = std::max(widest, plainTexts->Widest(canvas));
  }
  const int offset = FXYOffsetTopLeftOnly ? FXYOffset.X : 2 * FXYOffset.X;
  int wanted = widest + offset + 2 * GridLineWidth() + 2;
  if (GrowOnly && ColWidths(Index) >= wanted) return;
  UpdateAutoColumnSize(Index, wanted);
  SetColWidths(Index, ApplySizeLimits(wanted, FMinColWidth, FMaxColWidth));
}
