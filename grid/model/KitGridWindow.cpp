// The grid's window-level reactions: its size (proportional columns, the
// stretch column), its border, the balloon's text, the remembered old value
// of a clicked cell, and the fixed-cell editor's entry point.

#include <algorithm>
#include <cmath>

#include <QWidget>

#include "grid/model/KitGrid.h"
#include "grid/model/KitGridError.h"
#include "platform/vcl/Themes.h"
#include "platform/win32/Gdi.h"

TF_MESSAGE_MAP(TKitStringGrid, TCustomGrid) {
  return {
      TF_MESSAGE(WM_SIZE, WMSize),
      TF_MESSAGE(WM_NCPAINT, WMNCPaint),
      TF_MESSAGE(WM_NOTIFY, WMNotify),
  };
}

void TKitStringGrid::InitOrigColSizes() {
  FOrigColSizes->Clear();
  for (int c = 0; c < ColCount(); ++c) FOrigColSizes->Add(ColWidths(c));
  // The width the columns are scaled against: the grid's own width (2
  // more without a single border), without the fixed and right fixed
  // columns when only normal cells follow the grid, and without the inner
  // vertical grid lines.
  int width = Width() + (BorderStyle() == bsSingle ? 0 : 2);
  if (FColumnSize->SynchNormalCellsOnly()) {
    for (int c = 0; c < std::min(RawFixedCols(), ColCount()); ++c) width -= ColWidths(c);
    for (int c = std::max(ColCount() - FFixedRightCols, RawFixedCols()); c < ColCount(); ++c) width -= ColWidths(c);
  }
  if (Options().Contains(goVertLine)) width -= ColCount() - 1;
  FOrigClientWidth = width;
}

TRect TKitStringGrid::ClientRect() const {
  TRect r = TBaseGrid::ClientRect();
  // While the search footer shows its panel, the cells end where it starts.
  if (FSearchFooter != nullptr && FSearchFooter->Visible() && FSearchPanel != nullptr && FSearchPanel->Visible())
    r.Bottom = std::clamp(FSearchPanel->Top(), r.Top, r.Bottom);
  return r;
}

void TKitStringGrid::WMSize(TMessage& Message) {
  // 1. No re-entry while the stretch column is being set.
  if (FSizingInProgress) {
    Message.Result = 1;
    return;
  }
  // 2.
  UpdateSearchPanel();
  const int newWidth = Message.LParamLo();
  // 3. Proportional sizes.
  if (FOrigClientWidth > 0 && FColumnSize->SynchWithGrid()) {
    HideInplaceEdit();
    const bool normalOnly = FColumnSize->SynchNormalCellsOnly();
    int fixedWidth = 0;
    if (normalOnly) {
      for (int c = 0; c < RawFixedCols(); ++c) fixedWidth += ColWidths(c);
      for (int c = ColCount() - FFixedRightCols; c < ColCount(); ++c) fixedWidth += ColWidths(c);
    }
    const int lines = Options().Contains(goVertLine) ? ColCount() - RawFixedCols() - 1 : 0;
    const double factor = double(newWidth + (BorderStyle() == bsSingle ? 2 : 0) - fixedWidth - lines - 4) /
                          double(FOrigClientWidth);
    const int first = normalOnly ? RawFixedCols() : 0;
    const int last = normalOnly ? ColCount() - FFixedRightCols - 1 : ColCount() - 1;
    double lost = 0;
    for (int c = first; c <= last && c < FOrigColSizes->Count(); ++c) {
      const double scaled = FOrigColSizes->Items(c) * factor;
      const int w = int(std::trunc(scaled));
      lost += scaled - w;
      SetColWidths(c, w);
    }
    // The fractions lost go to the last column of the range.
    if (last >= first && last < FOrigColSizes->Count())
      SetColWidths(last, ColWidths(last) + int(std::trunc(lost)));
  }
  // 4. No stretching: the base grid's size handling.
  if (!FColumnSize->Stretch() || FScrollBarAlways == saHorz || FScrollBarAlways == saBoth) {
    TCustomGrid::WMSize(Message);
    return;
  }
  // 5. The stretch column takes the room the others leave.
  FSizingInProgress = true;
  const int stretch = FColumnSize->StretchColumn() < 0 ? ColCount() - 1 : FColumnSize->StretchColumn();
  int others = 0;
  for (int c = 0; c < ColCount(); ++c)
    if (c != stretch) others += ColWidths(c);
  bool stretched = false;
  if (stretch >= 0 && stretch < ColCount() && others < newWidth) {
    SetColWidths(stretch, newWidth - others);
    stretched = true;
  }
  FSizingInProgress = false;
  TCustomGrid::WMSize(Message);
  if (stretched && FScrollBarAlways == saNone && OnResize) OnResize(this);
  Message.Result = 1;
}

void TKitStringGrid::WMNCPaint(TMessage& Message) {
  TCustomGrid::WMNCPaint(Message);
  if (FUpdateCount > 0) return;
  PaintGridBorder(reinterpret_cast<HDC>(Message.WParam));
  Message.Result = 0;
}

bool TKitStringGrid::DrawsGridBorder() {
  const bool look = FLook == glSoft || (FLook >= glVDX && FLook <= glCustom);
  return look && !TStyleManager::IsCustomStyleActive() && FStyleElements.Contains(seClient) &&
         BorderStyle() != bsNone && FBorderColor != clNone && (!FFlat || FLook == glCustom);
}

void TKitStringGrid::PaintGridBorder() {
  // The border is drawn with the window's frame (the non-client paint): the
  // window's next paint takes it; the client area is not invalidated.
  if (!DrawsGridBorder()) return;
  if (QWidget* w = WidgetIfAllocated()) w->update();
}

void TKitStringGrid::PaintGridBorder(HDC DC) {
  if (DC == nullptr || !DrawsGridBorder()) return;
  HPEN pen = ::CreatePen(PS_SOLID, 1, COLORREF(ColorToRGB(FBorderColor)));
  HGDIOBJ old = ::SelectObject(DC, pen);
  auto frame = [&](int l, int t, int r, int b) {
    const POINT pts[5] = {{l, b}, {l, t}, {r, t}, {r, b}, {l, b}};
    ::Polyline(DC, pts, 5);
  };
  frame(0, 0, Width() - 1, Height() - 1);
  ::SelectObject(DC, old);
  ::DeleteObject(pen);
}

QString TKitStringGrid::BalloonText(const QString& Text) {
  // Leading tabs and line breaks are skipped; the length limit counts them.
  qsizetype start = 0;
  while (start < Text.size() && (Text[start] == u'\t' || Text[start] == u'\r' || Text[start] == u'\n')) ++start;
  QString text = Text.size() > 2048 ? Text.mid(start, 2045) + QStringLiteral("...") : Text.mid(start);
  text.replace(u'\t', u' ');
  return text;
}

QString TKitStringGrid::BalloonTitle(const QString& Title) {
  return Title.size() > 100 ? Title.left(97) + QStringLiteral("...") : Title;
}

void TKitStringGrid::ShowFixedInplaceEdit(int ACol, int ARow) {
  if (!(IsFixed(ACol, ARow) || ACol < RawFixedCols() || ARow < RawFixedRows()))
    throw EKitGridError(QStringLiteral("Cannot start fixed inplace editor in non-fixed cell"));
  // The fixed-cell editor itself belongs to the editing of cells.
  TGridFixedCellEditor editor = fceEdit;
  FixedEdit(ACol, ARow, editor, nullptr);
}

void TKitStringGrid::Click() {
  TCustomGrid::Click();
  StoreOldCell(Col(), Row());
}

void TKitStringGrid::StoreOldCell(int ACol, int ARow) {
  FOldCol = ACol;
  FOldRow = ARow;
  const int rc = DisplToRealCol(ACol);
  FOldCellText = GetGridCellText(rc, ARow);
  FOldWideText = GetCellEx(rc, ARow);
  FOldModified = RowModified(DisplToRealRow(ARow));
}
