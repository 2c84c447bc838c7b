// The grid's size-and-offset table of one axis and its current cell with
// the anchor.

#include <algorithm>

#include "platform/rtl/MessageText.h"
#include "platform/vcl/GridsPrivate.h"

namespace GridsDetail {

// ---------------------------------------------------------------------------
// TGridAxis

void TGridAxis::Check(int Index) const {
  if (Index < 0 || Index >= Count()) throw EInvalidGridOperation(QString::fromLatin1(GridsConsts::SIndexOutOfRange));
}

void TGridAxis::SetCount(int Value) {
  if (Value < 0 || Value > MaxCount) throw EInvalidGridOperation(QString::fromLatin1(GridsConsts::SGridTooLarge));
  if (Value == Count()) return;
  FSizes.resize(size_t(Value), FDefault);
  Rebuild();
}

void TGridAxis::SetDefaultSize(int Value) {
  FDefault = ClampSize(Value);
  std::fill(FSizes.begin(), FSizes.end(), FDefault);
  Rebuild();
}

void TGridAxis::SetLineWidth(int Value) {
  Value = std::clamp(Value, 0, MaxSize);
  if (Value == FLine) return;
  FLine = Value;
  Rebuild();
}

int TGridAxis::Size(int Index) const {
  Check(Index);
  return FSizes[size_t(Index)];
}

void TGridAxis::SetSize(int Index, int Value) {
  Check(Index);
  Value = ClampSize(Value);
  const int old = FSizes[size_t(Index)];
  if (old == Value) return;
  FSizes[size_t(Index)] = Value;
  Add(Index, int64_t(ExtentOf(Value)) - ExtentOf(old));
}

int TGridAxis::Extent(int Index) const { return ExtentOf(Size(Index)); }

int64_t TGridAxis::Offset(int Index) const {
  if (Index < 0 || Index > Count()) throw EInvalidGridOperation(QString::fromLatin1(GridsConsts::SIndexOutOfRange));
  return Prefix(Index);
}

int64_t TGridAxis::Span(int First, int Last) const {
  First = std::clamp(First, 0, Count());
  Last = std::clamp(Last, 0, Count());
  return Last <= First ? 0 : Prefix(Last) - Prefix(First);
}

int TGridAxis::ItemAt(int64_t Pos) const {
  if (Pos < 0 || Pos >= Total()) return -1;
  // The largest n with Prefix(n) <= Pos: items 0..n-1 end at or before Pos,
  // so item n covers it (items of extent 0 are passed over).
  const size_t n = FSizes.size();
  size_t index = 0;
  size_t step = 1;
  while (step * 2 <= n) step *= 2;
  int64_t remaining = Pos;
  for (; step > 0; step /= 2) {
    const size_t next = index + step;
    if (next <= n && FTree[next] <= remaining) {
      index = next;
      remaining -= FTree[next];
    }
  }
  return index < n ? int(index) : -1;
}

void TGridAxis::Move(int From, int To) {
  Check(From);
  Check(To);
  if (From == To) return;
  const int size = FSizes[size_t(From)];
  if (From < To)
    std::move(FSizes.begin() + From + 1, FSizes.begin() + To + 1, FSizes.begin() + From);
  else
    std::move_backward(FSizes.begin() + To, FSizes.begin() + From, FSizes.begin() + From + 1);
  FSizes[size_t(To)] = size;
  Rebuild();
}

void TGridAxis::Rebuild() {
  const size_t n = FSizes.size();
  FTree.assign(n + 1, 0);
  for (size_t i = 1; i <= n; ++i) {
    FTree[i] += ExtentOf(FSizes[i - 1]);
    const size_t parent = i + (i & (~i + 1));
    if (parent <= n) FTree[parent] += FTree[i];
  }
}

void TGridAxis::Add(int Index, int64_t Delta) {
  if (Delta == 0) return;
  for (size_t i = size_t(Index) + 1; i < FTree.size(); i += i & (~i + 1)) FTree[i] += Delta;
}

int64_t TGridAxis::Prefix(int Count) const {
  int64_t sum = 0;
  for (size_t i = size_t(Count); i > 0; i -= i & (~i + 1)) sum += FTree[i];
  return sum;
}

// ---------------------------------------------------------------------------
// TGridAnchorSelection

int MoveAdjust(int Index, int From, int To) {
  if (Index == From) return To;
  if (From < To && Index > From && Index <= To) return Index - 1;
  if (From > To && Index >= To && Index < From) return Index + 1;
  return Index;
}

void TGridAnchorSelection::Reset(TGridCoord Cell, const TMode& Mode) {
  FCurrent = Cell;
  FAnchor = Cell;
  if (Mode.RowSelect) {
    FCurrent.X = Mode.FixedCols;
    FAnchor.X = Mode.ColCount - 1;
  }
}

void TGridAnchorSelection::MoveCurrent(TGridCoord Cell, bool MoveAnchor, const TMode& Mode) {
  FCurrent = Cell;
  if (MoveAnchor || !Mode.RangeSelect) {
    FAnchor = FCurrent;
    if (Mode.RowSelect) FAnchor.X = Mode.ColCount - 1;
  }
  if (Mode.RowSelect) FCurrent.X = Mode.FixedCols;
}

bool TGridAnchorSelection::MoveAnchor(TGridCoord Cell, const TMode& Mode) {
  if (Mode.RangeSelect && !Mode.Editing) {
    FAnchor = Cell;
    if (Mode.RowSelect) FAnchor.X = Mode.ColCount - 1;
    return true;
  }
  MoveCurrent(Cell, true, Mode);
  return false;
}

void TGridAnchorSelection::ApplyRowSelect(const TMode& Mode) {
  if (!Mode.RowSelect) return;
  FCurrent.X = Mode.FixedCols;
  FAnchor.X = Mode.ColCount - 1;
}

void TGridAnchorSelection::Set(const TGridRect& Rect) {
  const TGridRect r = GridRect(Rect.TopLeft(), Rect.BottomRight());
  FAnchor = r.TopLeft();
  FCurrent = r.BottomRight();
}

void TGridAnchorSelection::AdjustForMove(bool IsColumn, int From, int To) {
  if (IsColumn) {
    FCurrent.X = MoveAdjust(FCurrent.X, From, To);
    FAnchor.X = MoveAdjust(FAnchor.X, From, To);
  } else {
    FCurrent.Y = MoveAdjust(FCurrent.Y, From, To);
    FAnchor.Y = MoveAdjust(FAnchor.Y, From, To);
  }
}

void TGridAnchorSelection::Clamp(int ColCount, int RowCount) {
  auto clamp = [&](TGridCoord& c) {
    c.X = std::clamp(c.X, 0, std::max(ColCount - 1, 0));
    c.Y = std::clamp(c.Y, 0, std::max(RowCount - 1, 0));
  };
  clamp(FCurrent);
  clamp(FAnchor);
}

}  // namespace GridsDetail
