#include "grid/model/KitGridHover.h"

#include <algorithm>

#include "foundation/KitMiniHTMLEngine.h"
#include "grid/model/KitGrid.h"
#include "platform/win32/Gdi.h"

// ---------------------------------------------------------------------------
// THeaderDragButton

THeaderDragButton::THeaderDragButton(TComponent* AOwner) : TCustomControl(AOwner) { SetVisible(false); }

void THeaderDragButton::SetCaption(const QString& Value) {
  if (FCaption == Value) return;
  FCaption = Value;
  Invalidate();
}

void THeaderDragButton::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP | WS_BORDER;
}

void THeaderDragButton::Paint() {
  TCanvas* canvas = Canvas();
  const TRect r = ClientRect();
  canvas->Brush()->SetColor(clBtnFace);
  canvas->FillRect(r);
  if (FGrid != nullptr) {
    canvas->Font()->Assign(FGrid->FixedFont());
    TGridDrawState state{gdFixed};
    FGrid->PaintCellExt(canvas, 0, 0, r, state);
  }
  ::SetBkMode(canvas->Handle(), TRANSPARENT);
  canvas->Brush()->SetStyle(bsClear);
  if (FCaption.contains(QLatin1String("</"))) {
    TMiniHtmlDrawParams params;
    params.URLColor = 0xFF0000;
    params.ImageList = FGrid ? FGrid->GetGridImages() : nullptr;
    TMiniHtmlDrawResult result;
    TRect hr = r;
    DrawMiniHtml(canvas, FCaption, hr, params, result);
  } else {
    TRect tr = r;
    QString text = FCaption;
    canvas->TextRect(tr, text, {tfCenter, tfVerticalCenter, tfSingleLine, tfEndEllipsis});
  }
  canvas->Brush()->SetStyle(bsSolid);
}

// ---------------------------------------------------------------------------
// TScrollControl

TScrollControl::TScrollControl(TKitStringGrid* AGrid) : TCustomControl(AGrid), FGrid(AGrid) {
  if (AGrid != nullptr) SetParent(AGrid);
}

void TScrollControl::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  Invalidate();
}

int TScrollControl::Count() const {
  return FDirection == sdVertical ? FGrid->RowCount() : FGrid->ColCount();
}
int TScrollControl::Fixed() const {
  return FDirection == sdVertical ? FGrid->FixedRows() : FGrid->FixedCols();
}
int TScrollControl::First() const { return FDirection == sdVertical ? FGrid->TopRow() : FGrid->LeftCol(); }
void TScrollControl::SetFirst(int Value) {
  if (FDirection == sdVertical) FGrid->SetTopRow(Value);
  else FGrid->SetLeftCol(Value);
}
int TScrollControl::Visible() const {
  return FDirection == sdVertical ? FGrid->VisibleRowCount() : FGrid->VisibleColCount();
}
int TScrollControl::Extent(int Index) const {
  return FDirection == sdVertical ? FGrid->RowHeights(Index) : FGrid->ColWidths(Index);
}
int TScrollControl::Length() const { return FDirection == sdVertical ? Height() : Width(); }

TScrollThumb TScrollControl::Thumb() {
  TScrollThumb thumb;
  if (FGrid == nullptr) return thumb;
  const int count = Count();
  const int fixed = Fixed();
  const int length = Length();
  // The fixed rows at the start and as many rows (columns) at the end as the
  // grid has fixed footer rows are not part of the track.
  int offset = 0;
  for (int i = 0; i < fixed && i < count; ++i) offset += Extent(i);
  int tail = 0;
  for (int i = std::max(count - FGrid->FixedFooters(), 0); i < count; ++i) tail += Extent(i);
  const int track = length - offset - tail;
  const double visibleShare = double(Visible()) / std::max(1, count);
  const double positionShare = double(First() - fixed) / std::max(1, count - fixed);
  thumb.Position = offset + int(Round(track * positionShare));
  thumb.Size = std::max(20, int(Round(track * visibleShare)));
  if (thumb.Position + thumb.Size > length) thumb.Position = length - thumb.Size;
  thumb.Visible = Visible() < count - fixed;
  return thumb;
}

void TScrollControl::PressAt(int Pos) {
  const TScrollThumb thumb = Thumb();
  const int fixed = Fixed();
  const int visible = Visible();
  if (Pos < thumb.Position) {
    SetFirst(std::max(fixed, First() - visible));
  } else if (Pos >= thumb.Position + thumb.Size) {
    // The last full page at most, and never before the fixed rows.
    SetFirst(std::max(fixed, std::min(First() + visible, Count() - visible)));
  } else {
    FDownOnScroller = true;
    FDownPos = Pos;
    FDownRow = First();
  }
  Invalidate();
}

void TScrollControl::DragTo(int Pos) {
  if (!FDownOnScroller) return;
  // The length the rows move over; a control no longer than the first row
  // has none, and the drag then moves nothing.
  const int span = Length() - Extent(0);
  if (span <= 0) return;
  const int delta = int(Round(double(Pos - FDownPos) / span * Count()));
  const int target = std::max(Fixed(), std::min(FDownRow + delta, Count() - Visible()));
  if (target != First()) {
    SetFirst(target);
    Invalidate();
  }
}

void TScrollControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button == mbLeft) PressAt(FDirection == sdVertical ? Y : X);
}

void TScrollControl::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  DragTo(FDirection == sdVertical ? Y : X);
}

void TScrollControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  Release();
}

void TScrollControl::Paint() {
  TCanvas* canvas = Canvas();
  // The grid's colour under the indicator (the control stands on the grid).
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(FGrid ? FGrid->Color() : clWindow);
  canvas->FillRect(ClientRect());
  const TScrollThumb thumb = Thumb();
  if (!thumb.Visible) return;
  canvas->Brush()->SetColor(FColor);
  canvas->Pen()->SetColor(FColor);
  if (FDirection == sdVertical) {
    const int x = std::max(0, Width() - FScrollWidth);
    canvas->Rectangle(x, thumb.Position, x + FScrollWidth, thumb.Position + thumb.Size);
  } else {
    const int y = std::max(0, Height() - FScrollWidth);
    canvas->Rectangle(thumb.Position, y, thumb.Position + thumb.Size, y + FScrollWidth);
  }
}
