// Typed cell access of the string grid (integers, floats, dates, times,
// form-control values), headers, the appearance of blocks of cells,
// highlighting and marking, checking, fills, repainting, swapping and
// focusing cells.

#include <QRandomGenerator>
#include <algorithm>
#include <cmath>

#include "foundation/KitMiniHTMLText.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridUtils.h"
#include "platform/win32/WinUser.h"

namespace {
const QString kNoInteger = QStringLiteral("Cell does not contain integer value");
const QString kNoFloat = QStringLiteral("Cell does not contain a float value");
const QString kBadColumns = QStringLiteral("Columns is not in valid range");

// A number in "." form: sign, digits, one point, exponent.
bool ParseDotFloat(const QString& Text, double& Value) {
  static const TFormatSettings dot = TFormatSettings::Invariant();
  Extended v = 0;
  if (!TryStrToFloat(Text, v, dot) || !std::isfinite(v)) return false;
  Value = v;
  return true;
}
}  // namespace

// ---------------------------------------------------------------------------
// Integers and floats

int TKitStringGrid::GetIntsFromText(const QString& Source) const {
  QString text = Source.trimmed();
  if (text.isEmpty() || text == u'-') return 0;
  const QChar dec = FormatSettings.DecimalSeparator;
  const QChar thou = FormatSettings.ThousandSeparator;
  if (text.contains(dec) || (!thou.isNull() && text.contains(thou))) {
    // A real number in the locale's form or in "." form, rounded half to
    // even.
    double v = 0;
    if (!ParseDotFloat(NumberTextToDot(text), v) && !ParseDotFloat(text, v)) throw EKitGridError(kNoInteger);
    if (v > 2147483647.0 || v < -2147483648.0) throw EKitGridError(kNoInteger);
    return int(Round(v));
  }
  int v = 0;
  if (!TryStrToInt(text, v)) throw EKitGridError(kNoInteger);
  return v;
}

int TKitStringGrid::Ints(int ACol, int ARow) { return GetIntsFromText(GetStrippedCell(ACol, ARow)); }

void TKitStringGrid::SetInts(int ACol, int ARow, int Value) {
  SetCellEx(ACol, ARow, QString::number(Value));
  if (NumHiddenColumns() > 0) RepaintCell(RealToDisplCol(ACol), ARow);
}

int TKitStringGrid::AllInts(int ACol, int ARow) {
  QString text = GetCellByRealRow(ACol, ARow).trimmed();
  if (text.isEmpty() || text == u'-') text = QStringLiteral("0");
  int v = 0;
  if (!TryStrToInt(text, v)) throw EKitGridError(kNoInteger);
  return v;
}

void TKitStringGrid::SetAllInts(int ACol, int ARow, int Value) { SetCellByRealRow(ACol, ARow, QString::number(Value)); }

double TKitStringGrid::Floats(int ACol, int ARow) {
  QString text = ExtractFloatText(MiniHtmlToText(GetCellEx(ACol, ARow)));
  if (text.isEmpty() || text == u'-') return 0.0;
  double v = 0;
  if (!ParseDotFloat(text, v)) throw EKitGridError(kNoFloat);
  return v;
}

void TKitStringGrid::SetFloats(int ACol, int ARow, double Value) {
  SetCellEx(ACol, ARow, Format(FFloatFormat, {Value}));
}

double TKitStringGrid::AllFloats(int ACol, int ARow) {
  QString text = ExtractFloatText(GetCellByRealRow(ACol, ARow));
  if (text.isEmpty() || text == u'-') return 0.0;
  double v = 0;
  if (!ParseDotFloat(text, v)) throw EKitGridError(kNoFloat);
  return v;
}

void TKitStringGrid::SetAllFloats(int ACol, int ARow, double Value) {
  SetCellByRealRow(ACol, ARow, Format(FFloatFormat, {Value}));
}

// ---------------------------------------------------------------------------
// Dates and times

TDateTime TKitStringGrid::Dates(int ACol, int ARow) { return StrToDate(GetCellEx(ACol, ARow).trimmed()); }

void TKitStringGrid::SetDates(int ACol, int ARow, TDateTime Value) {
  // No date (0 or less, or not a number) is an empty cell unless null dates
  // are shown.
  if (std::isnan(Value) || (Value <= 0 && !FShowNullDates)) {
    SetCellEx(ACol, ARow, QString());
    return;
  }
  SetCellEx(ACol, ARow, DateToStr(Value));
}

TDateTime TKitStringGrid::Times(int ACol, int ARow) { return StrToTime(GetCellEx(ACol, ARow).trimmed()); }

void TKitStringGrid::SetTimes(int ACol, int ARow, TDateTime Value) {
  if (std::isnan(Value)) {
    SetCellEx(ACol, ARow, QString());
    return;
  }
  SetCellEx(ACol, ARow, FormatDateTime(FormatSettings.LongTimeFormat, Value));
}

void TKitStringGrid::SetDateTimes(int ACol, int ARow, TDateTime Value) {
  if (std::isnan(Value) || (Value <= 0 && !FShowNullDates)) {
    SetCellEx(ACol, ARow, QString());
    return;
  }
  SetCellEx(ACol, ARow,
            FormatDateTime(FormatSettings.ShortDateFormat + u' ' + FormatSettings.ShortTimeFormat, Value));
}

// ---------------------------------------------------------------------------
// Form-control values, print layout, version

QString TKitStringGrid::ControlValues(int ACol, int ARow, const QString& ID) {
  QString value;
  if (!GetHtmlControlValue(GetCellEx(ACol, ARow), ID, value)) return QString();
  return value;
}

void TKitStringGrid::SetControlValues(int ACol, int ARow, const QString& ID, const QString& Value) {
  QString text = GetCellEx(ACol, ARow);
  if (SetHtmlControlValue(text, ID, Value)) SetCellEx(ACol, ARow, text);
}

int TKitStringGrid::PrintColWidth(int ACol) const {
  if (ACol < 0 || ACol >= AllColCount()) throw EKitGridError(kBadColumns);
  return size_t(ACol) < FPrintColWidths.size() ? FPrintColWidths[size_t(ACol)] : 0;
}

int TKitStringGrid::PrintColOffset(int ACol) const {
  if (ACol < 0 || ACol >= AllColCount()) throw EKitGridError(kBadColumns);
  return size_t(ACol) < FPrintColOffsets.size() ? FPrintColOffsets[size_t(ACol)] : 0;
}

// ---------------------------------------------------------------------------
// Headers

void TKitStringGrid::SetColumnHeaders(TStrings* Value) {
  FColumnHeaders->Assign(Value);
  if (FixedRows() > 0) ClearColumnHeaders();
  ShowColumnHeaders();
}

void TKitStringGrid::ShowColumnHeaders() {
  if (RawFixedRows() == 0 || RowCount() == 0) return;
  const int n = std::min(FColumnHeaders->Count(), TotalColCount());
  for (int i = 0; i < n; ++i) SetCellEx(i, 0, UnescapeNewlines(FColumnHeaders->Strings(i)));
}

void TKitStringGrid::ClearColumnHeaders() {
  if (RowCount() == 0) return;
  for (int c = 0; c < TotalColCount(); ++c) SetCellEx(c, 0, QString());
}

void TKitStringGrid::SetRowHeaders(TStrings* Value) {
  FRowHeaders->Assign(Value);
  if (ComponentState().Contains(csDesigning) && FixedCols() > 0) ClearRowHeaders();
  ShowRowHeaders();
}

void TKitStringGrid::ShowRowHeaders() {
  if (RawFixedCols() == 0 || ColCount() == 0) return;
  const int n = std::min(FRowHeaders->Count(), RowCount());
  for (int i = 0; i < n; ++i) SetCellEx(0, i, FRowHeaders->Strings(i));
}

void TKitStringGrid::ClearRowHeaders() {
  if (ColCount() == 0) return;
  for (int r = 0; r < RowCount(); ++r) SetCellEx(0, r, QString());
}

void TKitStringGrid::SetFixedFont(TFont* Value) {
  FFixedFont->Assign(Value);
  Invalidate();
}

void TKitStringGrid::SetLookupItems(TStrings* Value) {
  if (Value != nullptr) FLookupItems->Assign(Value);
}

// ---------------------------------------------------------------------------
// Appearance of a block

void TKitStringGrid::SetFontStyle(const TGridRect& GridRect, TFontStyle AStyle, bool DoSet) {
  for (int c = GridRect.Left; c <= GridRect.Right; ++c)
    for (int r = GridRect.Top; r <= GridRect.Bottom; ++r) {
      TFontStyles styles = FontStyles(c, r);
      if (DoSet) styles.Include(AStyle);
      else styles.Exclude(AStyle);
      SetFontStyles(c, r, styles);
    }
}

bool TKitStringGrid::IsFontStyle(const TGridRect& GridRect, TFontStyle AStyle) const {
  for (int c = GridRect.Left; c <= GridRect.Right; ++c)
    for (int r = GridRect.Top; r <= GridRect.Bottom; ++r)
      if (!FontStyles(c, r).Contains(AStyle)) return false;
  return true;
}

void TKitStringGrid::SetCellColor(const TGridRect& GridRect, TColor AColor) {
  for (int c = GridRect.Left; c <= GridRect.Right; ++c)
    for (int r = GridRect.Top; r <= GridRect.Bottom; ++r) SetColors(c, r, AColor);
}

void TKitStringGrid::SetCellTextColor(const TGridRect& GridRect, TColor AColor) {
  for (int c = GridRect.Left; c <= GridRect.Right; ++c)
    for (int r = GridRect.Top; r <= GridRect.Bottom; ++r) SetFontColors(c, r, AColor);
}

void TKitStringGrid::SetCellFontName(const TGridRect& GridRect, const QString& AFontName) {
  for (int c = GridRect.Left; c <= GridRect.Right; ++c)
    for (int r = GridRect.Top; r <= GridRect.Bottom; ++r) SetFontNames(c, r, AFontName);
}

void TKitStringGrid::SetCellFontSize(const TGridRect& GridRect, int AFontSize) {
  for (int c = GridRect.Left; c <= GridRect.Right; ++c)
    for (int r = GridRect.Top; r <= GridRect.Bottom; ++r) SetFontSizes(c, r, AFontSize);
}

void TKitStringGrid::SetAlignment(const TGridRect& GridRect, TAlignment AAlignment) {
  for (int c = GridRect.Left; c <= GridRect.Right; ++c)
    for (int r = GridRect.Top; r <= GridRect.Bottom; ++r) SetAlignments(c, r, AAlignment);
}

bool TKitStringGrid::IsAlignment(const TGridRect& GridRect, TAlignment AAlignment) const {
  for (int c = GridRect.Left; c <= GridRect.Right; ++c)
    for (int r = GridRect.Top; r <= GridRect.Bottom; ++r)
      if (Alignments(c, r) != AAlignment) return false;
  return true;
}

// ---------------------------------------------------------------------------
// Highlight and mark

QString TKitStringGrid::HilightText(bool DoCase, const QString& S, const QString& Text) {
  TMarkTextOptions options;
  if (DoCase) options.Include(mtoCaseSensitive);
  return MarkTextInHtml(S, Text, QStringLiteral("hi"), options);
}

QString TKitStringGrid::MarkText(bool DoCase, const QString& S, const QString& Text) {
  TMarkTextOptions options;
  if (DoCase) options.Include(mtoCaseSensitive);
  return MarkTextInHtml(S, Text, QStringLiteral("e"), options);
}

QString TKitStringGrid::UnHilightText(const QString& S) { return UnmarkTextInHtml(S, QStringLiteral("hi")); }

QString TKitStringGrid::UnMarkText(const QString& S) { return UnmarkTextInHtml(S, QStringLiteral("e")); }

void TKitStringGrid::MarkRange(int c1, int r1, int c2, int r2, const QString& Tag, bool DoCase, const QString& Text,
                               bool FullText) {
  const QString search = EscapeHtmlText(Text, false);
  TMarkTextOptions options;
  if (DoCase) options.Include(mtoCaseSensitive);
  if (FullText) options.Include(mtoWholeText);
  c2 = std::min(c2, TotalColCount() - 1);
  r2 = std::min(r2, RowCount() - 1);
  for (int r = std::max(r1, 0); r <= r2; ++r)
    for (int c = std::max(c1, 0); c <= c2; ++c) {
      if (!IsBaseCell(c, r)) continue;
      const QString text = OnGetDisplText ? GetCellEx(c, r) : GetGridCell(c, r);
      // Marks of the tag from an earlier call are taken out first (with the
      // entities they forced), so marking again neither nests nor escapes
      // the text a second time.
      const QString closing = QStringLiteral("</") + Tag + u'>';
      const QString source = text.contains(closing, Qt::CaseInsensitive) ? UnmarkTextInHtml(text, Tag) : text;
      const QString marked = MarkTextInHtml(source, search, Tag, options);
      if (marked != text) SetCellEx(c, r, marked);
    }
}

void TKitStringGrid::UnMarkRange(int c1, int r1, int c2, int r2, const QString& Tag) {
  c2 = std::min(c2, TotalColCount() - 1);
  r2 = std::min(r2, RowCount() - 1);
  for (int r = std::max(r1, 0); r <= r2; ++r)
    for (int c = std::max(c1, 0); c <= c2; ++c) {
      if (!IsBaseCell(c, r)) continue;
      const QString text = OnGetDisplText ? GetCellEx(c, r) : GetGridCell(c, r);
      SetCellEx(c, r, UnmarkTextInHtml(UnescapeHtmlText(text, false), Tag));
    }
}

void TKitStringGrid::HilightInCell(bool DoCase, int Col, int Row, const QString& HiText, bool FullText) {
  MarkRange(Col, Row, Col, Row, QStringLiteral("hi"), DoCase, HiText, FullText);
}

void TKitStringGrid::HilightInCol(bool DoFixed, bool DoCase, int Col, const QString& HiText, bool FullText) {
  const int r1 = DoFixed ? 0 : FixedRows();
  const int r2 = DoFixed ? RowCount() - 1 : RowCount() - FFixedFooters - 1;
  MarkRange(Col, r1, Col, r2, QStringLiteral("hi"), DoCase, HiText, FullText);
}

void TKitStringGrid::HilightInRow(bool DoFixed, bool DoCase, int Row, const QString& HiText, bool FullText) {
  const int c1 = DoFixed ? 0 : FixedCols();
  const int c2 = DoFixed ? ColCount() - 1 : ColCount() - FFixedRightCols - 1;
  MarkRange(c1, Row, c2, Row, QStringLiteral("hi"), DoCase, HiText, FullText);
}

void TKitStringGrid::HilightInGrid(bool DoFixed, bool DoCase, const QString& HiText, bool FullText) {
  const int h = NumHiddenColumns();
  if (DoFixed) MarkRange(0, 0, ColCount() - 1, RowCount() - 1, QStringLiteral("hi"), DoCase, HiText, FullText);
  else
    MarkRange(FixedCols(), FixedRows(), ColCount() + h - FFixedRightCols - 1, RowCount() - FFixedFooters - 1,
              QStringLiteral("hi"), DoCase, HiText, FullText);
}

void TKitStringGrid::MarkInCell(bool DoCase, int Col, int Row, const QString& HiText) {
  MarkRange(Col, Row, Col, Row, QStringLiteral("e"), DoCase, HiText, false);
}

void TKitStringGrid::MarkInCol(bool DoFixed, bool DoCase, int Col, const QString& HiText) {
  const int r1 = DoFixed ? 0 : FixedRows();
  const int r2 = DoFixed ? RowCount() - 1 : RowCount() - FFixedFooters - 1;
  MarkRange(Col, r1, Col, r2, QStringLiteral("e"), DoCase, HiText, false);
}

void TKitStringGrid::MarkInRow(bool DoFixed, bool DoCase, int Row, const QString& HiText) {
  const int c1 = DoFixed ? 0 : FixedCols();
  const int c2 = DoFixed ? ColCount() - 1 : ColCount() - FFixedRightCols - 1;
  MarkRange(c1, Row, c2, Row, QStringLiteral("e"), DoCase, HiText, false);
}

void TKitStringGrid::MarkInGrid(bool DoFixed, bool DoCase, const QString& HiText) {
  if (DoFixed) MarkRange(0, 0, ColCount() - 1, RowCount() - 1, QStringLiteral("e"), DoCase, HiText, false);
  else
    MarkRange(FixedCols(), FixedRows(), ColCount() - FFixedRightCols - 1, RowCount() - FFixedFooters - 1,
              QStringLiteral("e"), DoCase, HiText, false);
}

void TKitStringGrid::UnHilightInCell(int Col, int Row) { UnMarkRange(Col, Row, Col, Row, QStringLiteral("hi")); }

void TKitStringGrid::UnHilightInCol(bool DoFixed, int Col) {
  const int r1 = DoFixed ? 0 : FixedRows();
  const int r2 = DoFixed ? RowCount() - 1 : RowCount() - FFixedFooters - 1;
  UnMarkRange(Col, r1, Col, r2, QStringLiteral("hi"));
}

void TKitStringGrid::UnHilightInRow(bool DoFixed, int Row) {
  const int h = NumHiddenColumns();
  const int c1 = DoFixed ? 0 : FixedCols();
  const int c2 = DoFixed ? ColCount() + h - 1 : ColCount() + h - FFixedRightCols - 1;
  UnMarkRange(c1, Row, c2, Row, QStringLiteral("hi"));
}

void TKitStringGrid::UnHilightInGrid(bool DoFixed) {
  const int h = NumHiddenColumns();
  if (DoFixed) UnMarkRange(0, 0, ColCount() + h - 1, RowCount() - 1, QStringLiteral("hi"));
  else
    UnMarkRange(FixedCols(), FixedRows(), ColCount() + h - FFixedRightCols - 1, RowCount() - FFixedFooters - 1,
                QStringLiteral("hi"));
}

void TKitStringGrid::UnMarkInCell(int Col, int Row) { UnMarkRange(Col, Row, Col, Row, QStringLiteral("e")); }

void TKitStringGrid::UnMarkInCol(bool DoFixed, int Col) {
  const int r1 = DoFixed ? 0 : FixedRows();
  const int r2 = DoFixed ? RowCount() - 1 : RowCount() - FFixedFooters - 1;
  UnMarkRange(Col, r1, Col, r2, QStringLiteral("e"));
}

void TKitStringGrid::UnMarkInRow(bool DoFixed, int Row) {
  const int h = NumHiddenColumns();
  const int c1 = DoFixed ? 0 : FixedCols();
  const int c2 = DoFixed ? ColCount() + h - 1 : ColCount() + h - FFixedRightCols - 1;
  UnMarkRange(c1, Row, c2, Row, QStringLiteral("e"));
}

void TKitStringGrid::UnMarkInGrid(bool DoFixed) {
  const int h = NumHiddenColumns();
  if (DoFixed) UnMarkRange(0, 0, ColCount() + h - 1, RowCount() - 1, QStringLiteral("e"));
  else
    UnMarkRange(FixedCols(), FixedRows(), ColCount() + h - FFixedRightCols - 1, RowCount() - FFixedFooters - 1,
                QStringLiteral("e"));
}

// ---------------------------------------------------------------------------
// Checking: answers True while no checker component is attached (the cell
// check component comes with the editors).

bool TKitStringGrid::CheckCell(int, int) { return true; }

bool TKitStringGrid::CheckCells(int, int, int, int) { return true; }

bool TKitStringGrid::CheckCol(bool DoFixed, int Col) {
  return CheckCells(Col, DoFixed ? 0 : FixedRows(), Col, DoFixed ? RowCount() - 1 : RowCount() - FFixedFooters - 1);
}

bool TKitStringGrid::CheckRow(bool DoFixed, int Row) {
  return CheckCells(DoFixed ? 0 : FixedCols(), Row, DoFixed ? ColCount() - 1 : ColCount() - FFixedRightCols - 1, Row);
}

bool TKitStringGrid::CheckGrid(bool DoFixed) {
  if (DoFixed) return CheckCells(0, 0, ColCount() - 1, RowCount() - 1);
  return CheckCells(FixedCols(), FixedRows(), ColCount() - FFixedRightCols - 1, RowCount() - FFixedFooters - 1);
}

// ---------------------------------------------------------------------------
// Fills

void TKitStringGrid::FillRange(bool DoFixed, int& c1, int& r1, int& c2, int& r2) const {
  if (DoFixed) {
    c1 = 0;
    r1 = 0;
    c2 = ColCount() - 1;
    r2 = RowCount() - 1;
  } else {
    c1 = FixedCols();
    r1 = FixedRows();
    c2 = ColCount() - FFixedRightCols - 1;
    r2 = RowCount() - FFixedFooters - 1;
  }
}

void TKitStringGrid::TextFill(bool DoFixed, const QString& Txt) {
  int c1, r1, c2, r2;
  FillRange(DoFixed, c1, r1, c2, r2);
  for (int c = c1; c <= c2; ++c)
    for (int r = r1; r <= r2; ++r) SetCellEx(c, r, Txt);
  RecalcAllFooters();
}

void TKitStringGrid::FormatFill(bool DoFixed, const QString& Fmt) {
  int c1, r1, c2, r2;
  FillRange(DoFixed, c1, r1, c2, r2);
  for (int c = c1; c <= c2; ++c)
    for (int r = r1; r <= r2; ++r) SetCellEx(c, r, Format(Fmt, {c, r}));
  RecalcAllFooters();
}

void TKitStringGrid::RandomFill(bool DoFixed, int Rnd) {
  int c1, r1, c2, r2;
  FillRange(DoFixed, c1, r1, c2, r2);
  for (int c = c1; c <= c2; ++c)
    for (int r = r1; r <= r2; ++r) SetInts(c, r, Rnd > 0 ? int(QRandomGenerator::global()->bounded(Rnd)) : 0);
  RecalcAllFooters();
}

void TKitStringGrid::LinearFill(bool DoFixed) {
  int c1, r1, c2, r2;
  FillRange(DoFixed, c1, r1, c2, r2);
  for (int c = c1; c <= c2; ++c)
    for (int r = r1; r <= r2; ++r) SetCellEx(c, r, QString::number(c) + u':' + QString::number(r));
  RecalcAllFooters();
}

// ---------------------------------------------------------------------------
// Repainting

void TKitStringGrid::RepaintCell(int c, int r) {
  if (!HandleAllocated()) return;
  if (r < 0 || c < 0) return;
  if (r >= RawFixedRows() && r < TopRow()) return;
  if (r > TopRow() + VisibleRowCount()) return;
  if (c >= RawFixedCols() && c < LeftCol()) return;
  if (c > LeftCol() + VisibleColCount()) return;
  const TRect rect = CellRect(c, r);
  const RECT rc{rect.Left, rect.Top, rect.Right, rect.Bottom};
  ::InvalidateRect(Handle(), &rc, TRUE);
}

void TKitStringGrid::RepaintRow(int ARow) {
  if (!HandleAllocated() || ARow < 0 || ARow >= RowCount() || ColCount() == 0) return;
  const TRect first = UnclippedCellRect(0, ARow);
  const TRect last = UnclippedCellRect(std::min(LeftCol() + VisibleColCount(), ColCount() - 1), ARow);
  const RECT rc{first.Left, first.Top, last.Right, first.Bottom};
  ::InvalidateRect(Handle(), &rc, FALSE);
}

void TKitStringGrid::RepaintCol(int ACol) {
  if (!HandleAllocated() || ACol < 0 || ACol >= ColCount() || RowCount() == 0) return;
  const TRect first = UnclippedCellRect(ACol, TopRow());
  const TRect last = UnclippedCellRect(ACol, std::min(TopRow() + VisibleRowCount(), RowCount() - 1));
  const RECT rc{first.Left, first.Top, first.Right, last.Bottom};
  ::InvalidateRect(Handle(), &rc, FALSE);
}

void TKitStringGrid::RepaintActiveCellHeaders(int OldCol, int OldRow, int NewCol, int NewRow) {
  auto headers = [this](int c, int r) {
    for (int i = 0; i < RawFixedRows(); ++i) RepaintCell(c, i);
    for (int i = 0; i < RawFixedCols(); ++i) RepaintCell(i, r);
  };
  headers(OldCol, OldRow);
  headers(NewCol, NewRow);
}

void TKitStringGrid::RepaintRect(const TRect& r) {
  if (r.Left < 0 || r.Top < 0 || r.Right < 0 || r.Bottom < 0) return;
  if (!HandleAllocated()) return;
  const TRect a = CellRect(r.Left, r.Top);
  const TRect b = CellRect(std::min(VisibleColCount() + RawFixedCols(), r.Right), r.Bottom);
  if (a.IsEmpty() || b.IsEmpty()) {
    Invalidate();
    return;
  }
  const RECT rc{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                std::max(a.Bottom, b.Bottom)};
  ::InvalidateRect(Handle(), &rc, TRUE);
}

// ---------------------------------------------------------------------------
// Cells and the current cell

void TKitStringGrid::SwapCells(TGridCoord FromCell, TGridCoord ToCell) {
  const QString text = GetGridCell(FromCell.X, FromCell.Y);
  TObject* object = GetGridObject(FromCell.X, FromCell.Y);
  // Reading the other cell first checks both coordinates before anything
  // changes.
  const QString otherText = GetGridCell(ToCell.X, ToCell.Y);
  TObject* otherObject = GetGridObject(ToCell.X, ToCell.Y);
  SetGridCell(FromCell.X, FromCell.Y, otherText);
  SetGridObject(FromCell.X, FromCell.Y, otherObject);
  SetGridCell(ToCell.X, ToCell.Y, text);
  SetGridObject(ToCell.X, ToCell.Y, object);
}

void TKitStringGrid::GotoCell(int ACol, int ARow) {
  SetRowEx(ARow);
  SetCol(ACol);
}

void TKitStringGrid::EditCell(int ACol, int ARow) {
  if (CanFocus()) SetFocus();
  GotoCell(ACol, ARow);
  ShowEditor();
}

void TKitStringGrid::MoveCurrentCell(int ACol, int ARow) { TBaseGrid::FocusCell(ACol, ARow, true); }

void TKitStringGrid::FocusCell(int ACol, int ARow) {
  TCustomGrid::SetSelection(MakeGridRect(ACol, ARow, ACol, ARow));
  FDisSelection = GetSelection();
  FAECol = -1;
  FAERow = -1;
}
