// Column sizing to content: every column, one column, growing only.
//
// Each cell is measured as the painter lays it out (MeasureCellText). Plain
// one-line cells without properties of their own all take the grid's font,
// so a column measures them with the canvas font set once and the widths of
// equal texts remembered for the run: the same answers as the cell-by-cell
// measurement, without setting up the font for every cell.

#include <QFontMetrics>
#include <QGlyphRun>
#include <QTextLayout>
#include <QHash>
#include <algorithm>
#include <cmath>
#include <functional>
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
// numbers); only the widest matters. Each text is summed as it is added,
// while its characters are at hand:
//  - a text of simple characters (Latin, Greek, Cyrillic and Armenian
//    letters, digits and punctuation: no marks, no format characters, no
//    right-to-left script) is as wide as the rounded sum of its characters'
//    shaped advances plus, for each two characters side by side, what the
//    pair gains or loses when shaped together (each pair is shaped once, when
//    first met; a pair that shapes into one glyph makes its texts go the
//    other way). Only the widest such text and a sample of them are kept;
//  - any other text is kept with the sum of its characters' advances and
//    the set of its characters. Texts whose sum falls more than 10 % +
//    4 pixels short of the largest sum cannot be the widest (rounding and
//    ligatures move a width by far less) and are left out; a text whose
//    characters all keep their advances beside each other (every pair of
//    the column's characters is shaped once to find out) is as wide as its
//    rounded sum; the others are shaped.
// The sample and the widest of the texts taken from sums are shaped as well,
// and any difference sends every text of the column to the canvas (the
// caller gives the texts again by row).
class TPlainTexts {
 public:
  TPlainTexts(const QFont& Font, size_t Expected)
      : FFont(Unkerned(Font)), FMetrics(Font), FModelMetrics(FFont), FAdvance(kTable, -1.0), FShaped(kTable, -1.0),
        FSlot(kTable, -1), FPair(size_t(kPairs) * kPairs, kUnknown),
        FSampleStep(std::max<size_t>(1, Expected / kSamples)) {
    FModelRows.reserve(Expected);
  }

  // The text of a row from From on (a URL's scheme left out without a copy).
  void Add(const QString& Text, qsizetype From, int Row) {
    double sum = 0;
    double model = 0;
    uint64_t mask = 0;
    bool always = false;
    bool simple = true;
    int prev = -1;
    const char16_t* data = reinterpret_cast<const char16_t*>(Text.constData());
    const qsizetype size = Text.size();
    for (qsizetype j = From; j < size; ++j) {
      const char16_t u = data[j];
      if (u >= kTable) {
        always = true;
        break;
      }
      double& a = FAdvance[u];
      if (a < 0) a = FMetrics.horizontalAdvance(QChar(u));
      sum += a;
      int& slot = FSlot[u];
      if (slot < 0) {
        slot = int(FChars.size());
        FChars.push_back(u);
        FSimple.push_back(IsSimple(u));
      }
      if (slot < 64) mask |= uint64_t(1) << slot; else always = true;
      if (!simple) continue;
      if (slot >= kPairs || !FSimple[size_t(slot)]) {
        simple = false;
        continue;
      }
      model += Shaped(u);
      if (prev >= 0) {
        double& d = FPair[size_t(prev) * kPairs + size_t(slot)];
        if (d == kUnknown) d = PairGain(FChars[size_t(prev)], u);
        if (d == kJoined) simple = false; else model += d;
      }
      prev = slot;
    }
    if (!always) FLargest = std::max(FLargest, sum);
    if (!always && simple) {
      const int w = int(std::floor(model + 0.5));
      if (FModelRows.empty() || w > FModelWidest.Width) FModelWidest = {Text, From, w};
      if (FModelRows.size() % FSampleStep == 0 && FSamples.size() < kSamples) FSamples.push_back({Text, From, w});
      FModelRows.push_back(Row);
      return;
    }
    FTexts.push_back(Text);
    FFrom.push_back(int(From));
    FSums.push_back(sum);
    FMasks.push_back(always ? ~uint64_t(0) : mask);
    FAlways.push_back(always);
  }

  // LineOf gives the text of a row again (only when the sums cannot be
  // trusted).
  int Widest(TCanvas* Canvas, const std::function<QString(int Row)>& LineOf) {
    const size_t n = FTexts.size();
    const double threshold = FLargest * 0.9 - 4;
    auto candidate = [&](size_t i) { return FAlways[i] || FSums[i] >= threshold; };
    // For each of the first 64 characters: the characters beside which it
    // keeps its advance, on either side (only for texts kept with sums).
    const size_t k = std::min<size_t>(FChars.size(), 64);
    std::vector<uint64_t> steadyWith(k, 0);
    bool anySum = false;
    for (size_t i = 0; i < n && !anySum; ++i) anySum = !FAlways[i] && candidate(i);
    if (anySum)
      for (size_t x = 0; x < k; ++x)
        for (size_t y = x; y < k; ++y) {
          const QChar ab[2] = {QChar(FChars[x]), QChar(FChars[y])};
          const QChar ba[2] = {QChar(FChars[y]), QChar(FChars[x])};
          const double sum = FAdvance[FChars[x]] + FAdvance[FChars[y]];
          if (FMetrics.horizontalAdvance(QString(ab, 2)) == sum &&
              FMetrics.horizontalAdvance(QString(ba, 2)) == sum) {
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
    auto measure = [&](const QString& Text) {
      auto it = seen.constFind(Text);
      if (it != seen.constEnd()) return *it;
      const int w = Canvas->TextWidth(Text);
      seen.insert(Text, w);
      return w;
    };
    auto shaped = [&](size_t i) { return measure(FFrom[i] == 0 ? FTexts[i] : FTexts[i].mid(FFrom[i])); };
    auto modelled = [&](const TKept& Kept) {
      return measure(Kept.From == 0 ? Kept.Text : Kept.Text.mid(Kept.From)) == Kept.Width;
    };
    bool trusted = FModelRows.empty() || modelled(FModelWidest);
    for (const TKept& sample : FSamples) trusted = trusted && modelled(sample);
    size_t checked = 0;
    for (size_t i = 0; i < n && checked < kSamples && trusted; i += std::max<size_t>(1, n / kSamples))
      if (candidate(i) && summed(i)) {
        ++checked;
        if (shaped(i) != rounded(i)) trusted = false;
      }
    int widest = FModelRows.empty() ? 0 : FModelWidest.Width;
    if (!trusted) {
      widest = 0;
      for (int row : FModelRows) widest = std::max(widest, measure(LineOf(row)));
    }
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

  bool Empty() const { return FTexts.empty() && FModelRows.empty(); }

 private:
  static constexpr int kTable = 0x3000;
  // Pairs are kept for the first kPairs characters of the column.
  static constexpr int kPairs = 64;
  static constexpr double kUnknown = -1e30;
  static constexpr double kJoined = 1e30;
  static constexpr size_t kSamples = 32;

  // A text taken from its sums, kept to be checked by shaping.
  struct TKept {
    QString Text;
    qsizetype From = 0;
    int Width = 0;
  };

  // Characters whose shaped width is their advance plus what each pair of
  // neighbours adds: no marks or format characters (they attach to or hide
  // beside others), no right-to-left or joining scripts.
  static bool IsSimple(char16_t u) {
    if (u < 0x20 || u >= 0x0590 || (u >= 0x7F && u < 0xA0)) return false;
    switch (QChar(u).category()) {
      case QChar::Mark_NonSpacing:
      case QChar::Mark_SpacingCombining:
      case QChar::Mark_Enclosing:
      case QChar::Other_Format:
      case QChar::Other_Control: return false;
      default: return true;
    }
  }

  // The canvas lays text out as GDI does, adding the characters' advances
  // without kerning: pairs are shaped in the same way (should that ever
  // differ, the shaped sample finds out).
  static QFont Unkerned(QFont Font) {
    Font.setKerning(false);
    return Font;
  }

  // A character's advance when shaped on its own.
  double Shaped(char16_t u) {
    double& a = FShaped[u];
    if (a < 0) a = FModelMetrics.horizontalAdvance(QString(QChar(u)));
    return a;
  }

  // What the pair's shaped width differs from its characters' advances;
  // kJoined when the two shape into fewer glyphs (a ligature).
  double PairGain(char16_t x, char16_t y) {
    const QChar xy[2] = {QChar(x), QChar(y)};
    const QString pair(xy, 2);
    const double gain = FModelMetrics.horizontalAdvance(pair) - Shaped(x) - Shaped(y);
    QTextLayout layout(pair, FFont);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    qsizetype glyphs = 0;
    for (const QGlyphRun& run : layout.glyphRuns()) glyphs += run.glyphIndexes().size();
    return glyphs == 2 ? gain : kJoined;
  }

  QFont FFont;
  QFontMetricsF FMetrics;
  QFontMetricsF FModelMetrics;
  std::vector<double> FAdvance;
  std::vector<double> FShaped;
  std::vector<int> FSlot;
  std::vector<double> FPair;
  std::vector<char16_t> FChars;
  std::vector<char> FSimple;
  // Texts taken from their sums: the rows, the widest, a sample.
  size_t FSampleStep;
  std::vector<int> FModelRows;
  TKept FModelWidest;
  std::vector<TKept> FSamples;
  // The other texts.
  std::vector<QString> FTexts;
  std::vector<int> FFrom;
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
  // A plain cell's first line, and where it starts once a URL's scheme is
  // left out (as StripUrlScheme leaves it), without copying the text.
  auto plainLine = [&](const QString& Text, bool Single, QString& Line) -> qsizetype {
    Line = Text;
    if (!Single && Text.contains(u'\r')) {
      QString all = Text;
      ExtractFirstLine(all, false, Line);
    }
    if (!FURLShow || FURLFull) return 0;
    qsizetype at = Line.indexOf(u"://");
    if (at >= 0) return at + 3;
    at = Line.indexOf(u"mailto:");
    return at >= 0 ? at + 7 : 0;
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
          if (!plainTexts)
            plainTexts = std::make_unique<TPlainTexts>(canvas->Font()->QtFont(), size_t(toRow - r + 1));
          if (firstPlainRow < 0) firstPlainRow = r;
        }
        QString line;
        const qsizetype from = plainLine(text, single, line);
        if (from < line.size()) plainTexts->Add(line, from, r);
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
    widest = std::max(widest, plainTexts->Widest(canvas, [&](int Row) {
      const QString text = GetGridCell(rc, Row);
      QString line;
      const qsizetype from = plainLine(text, oneLine(text), line);
      return from == 0 ? line : line.mid(from);
    }));
  }
  const int offset = FXYOffsetTopLeftOnly ? FXYOffset.X : 2 * FXYOffset.X;
  int wanted = widest + offset + 2 * GridLineWidth() + 2;
  if (GrowOnly && ColWidths(Index) >= wanted) return;
  UpdateAutoColumnSize(Index, wanted);
  SetColWidths(Index, ApplySizeLimits(wanted, FMinColWidth, FMaxColWidth));
}
