#pragma once
// The parts of the framework grid (Grids.h) that keep their own rules, each a
// small class with its own tests. Internal to the grid and its tests.
//
// TGridAxis        the sizes of the columns (or rows): count, default size,
//                  one size per item, the line that follows each item, the
//                  offset of each item and the item at an offset.
// TGridAnchorSelection  the current cell and the anchor; the selection is the
//                  rectangle between them.
// TGridCellStore   the sparse cell store: a text and an object reference per
//                  cell, addressable beyond the grid's counts.
//
// Rules of the axis:
// - A size below 0 hides its item: it takes no space, not even its line. A
//   size of 0 leaves the item's line. The extent of a shown item is its
//   size plus the line width.
// - Offsets are sums of extents in 64 bits, kept in a Fenwick tree: setting
//   one size costs O(log n), the offset of an item and the item at an
//   offset O(log n); a count, default-size or line-width change or a move
//   rebuilds in O(n).
// - ItemAt(Pos) is the item whose extent covers Pos (0 <= Pos < Total);
//   hidden items are never found; -1 outside.
// - Indexes outside 0..Count-1 raise EInvalidGridOperation "Grid index out
//   of range"; a count outside 0..MaxCount raises "Grid too large for
//   operation". Sizes above MaxSize are cut to MaxSize.
//
// Rules of the store:
// - A cell never written reads as the empty text and a null object; writing
//   an empty text and a null object into a cell never written allocates
//   nothing.
// - Columns 0..MaxCols-1 and rows 0..MaxRows-1 are addressable whatever the
//   grid's counts; any other index raises EStringListError "List index out
//   of bounds (<index>)" before anything is read or written.
// - The store never owns the objects; ForEachObject reaches every object
//   held, whatever the counts.
// - Moves rotate: the row (column) at From goes to To and the ones between
//   close up, as the framework's sparse lists do.

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/SysUtils.h"

class TObject;

// The grid's errors: "Grid index out of range" and friends.
TF_DECLARE_EXCEPTION(EInvalidGridOperation, Exception)

namespace GridsConsts {
inline constexpr const char* SIndexOutOfRange = "Grid index out of range";
inline constexpr const char* SFixedColTooBig = "Fixed column count must be less than column count";
inline constexpr const char* SFixedRowTooBig = "Fixed row count must be less than row count";
inline constexpr const char* SGridTooLarge = "Grid too large for operation";
inline constexpr const char* STooManyDeleted = "Too many rows or columns deleted";
inline constexpr const char* SInvalidStringGridOp = "Cannot insert or delete rows from grid";
}  // namespace GridsConsts

// A cell of the grid (column X, row Y) and a block of cells (inclusive).
struct TGridCoord {
  int X = 0;
  int Y = 0;
  constexpr bool operator==(const TGridCoord&) const = default;
};

struct TGridRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  constexpr TGridCoord TopLeft() const { return {Left, Top}; }
  constexpr TGridCoord BottomRight() const { return {Right, Bottom}; }
  constexpr bool Contains(int ACol, int ARow) const {
    return ACol >= Left && ACol <= Right && ARow >= Top && ARow <= Bottom;
  }
  constexpr bool operator==(const TGridRect&) const = default;
};

// The block between two cells, normalised (Left <= Right, Top <= Bottom).
constexpr TGridRect GridRect(TGridCoord A, TGridCoord B) {
  return TGridRect{A.X < B.X ? A.X : B.X, A.Y < B.Y ? A.Y : B.Y, A.X < B.X ? B.X : A.X, A.Y < B.Y ? B.Y : A.Y};
}

namespace GridsDetail {

class TGridAxis {
 public:
  static constexpr int MaxCount = 1 << 24;
  static constexpr int MaxSize = 0x7FFF;

  explicit TGridAxis(int DefaultSize = 64) : FDefault(ClampSize(DefaultSize)) {}

  int Count() const { return int(FSizes.size()); }
  // New items take the default size.
  void SetCount(int Value);
  int DefaultSize() const { return FDefault; }
  // Gives every item the new default size.
  void SetDefaultSize(int Value);
  int LineWidth() const { return FLine; }
  void SetLineWidth(int Value);

  int Size(int Index) const;
  void SetSize(int Index, int Value);
  bool IsHidden(int Index) const { return Size(Index) < 0; }
  // Size plus line width; 0 for a hidden item.
  int Extent(int Index) const;
  // Sum of the extents of the items before Index (0 <= Index <= Count).
  int64_t Offset(int Index) const;
  int64_t Total() const { return Offset(Count()); }
  // Sum of the extents of items First..Last-1 (empty when Last <= First).
  int64_t Span(int First, int Last) const;
  // The item whose extent covers Pos; -1 when none does.
  int ItemAt(int64_t Pos) const;
  // Moves item From to To; the items between close up.
  void Move(int From, int To);

 private:
  static int ClampSize(int Value) { return Value > MaxSize ? MaxSize : Value; }
  void Check(int Index) const;
  void Rebuild();
  void Add(int Index, int64_t Delta);
  int64_t Prefix(int Count) const;  // sum of the first Count extents
  int ExtentOf(int Size) const { return Size < 0 ? 0 : Size + FLine; }

  int FDefault;
  int FLine = 0;
  std::vector<int> FSizes;
  std::vector<int64_t> FTree;  // Fenwick tree over the extents, 1-based
};

// The current cell and the anchor of the framework grid.
class TGridAnchorSelection {
 public:
  TGridCoord Current() const { return FCurrent; }
  TGridCoord Anchor() const { return FAnchor; }
  // The selection: the block between the current cell and the anchor.
  TGridRect Selection() const { return GridRect(FCurrent, FAnchor); }
  bool Contains(int ACol, int ARow) const { return Selection().Contains(ACol, ARow); }

  // How the grid selects: the options that matter here and its sizes.
  struct TMode {
    bool RangeSelect = true;
    bool RowSelect = false;
    bool Editing = false;
    int ColCount = 1;
    int FixedCols = 0;
  };
  // Both at Cell (row selection spans the whole row).
  void Reset(TGridCoord Cell, const TMode& Mode);
  // The current cell moves; the anchor follows unless the grid extends a
  // range (MoveAnchor false with range selection on).
  void MoveCurrent(TGridCoord Cell, bool MoveAnchor, const TMode& Mode);
  // The other end of a range moves (range selection on and not editing);
  // otherwise the current cell moves with the anchor. Answers whether the
  // anchor alone moved.
  bool MoveAnchor(TGridCoord Cell, const TMode& Mode);
  // Under row selection: the current column to the first scrolled one, the
  // anchor's to the last column.
  void ApplyRowSelect(const TMode& Mode);
  // Current := BottomRight, Anchor := TopLeft of a normalised Rect.
  void Set(const TGridRect& Rect);
  // After a column (IsColumn) or row moved From -> To: cells on moved lines
  // follow them.
  void AdjustForMove(bool IsColumn, int From, int To);
  // Keeps both ends inside 0..ColCount-1 x 0..RowCount-1.
  void Clamp(int ColCount, int RowCount);

 private:
  TGridCoord FCurrent;
  TGridCoord FAnchor;
};

// The adjustment of one index when a line moves From -> To.
int MoveAdjust(int Index, int From, int To);

class TGridCellStore {
 public:
  static constexpr int MaxCols = 1 << 16;
  static constexpr int MaxRows = TGridAxis::MaxCount;

  TGridCellStore() = default;
  ~TGridCellStore();
  TGridCellStore(const TGridCellStore&) = delete;
  TGridCellStore& operator=(const TGridCellStore&) = delete;

  QString Text(int ACol, int ARow) const;
  TObject* Object(int ACol, int ARow) const;
  void SetText(int ACol, int ARow, const QString& Value);
  void SetObject(int ACol, int ARow, TObject* Value);
  // Both at once.
  void SetCell(int ACol, int ARow, const QString& Text, TObject* Object);
  // True when the cell holds a text or an object.
  bool Assigned(int ACol, int ARow) const;

  void MoveRow(int From, int To);
  // Exchanges the contents of two rows (texts and object references) in
  // constant time.
  void ExchangeRows(int A, int B);
  void MoveColumn(int From, int To);
  // Empties every cell of a row / column.
  void ClearRow(int ARow);
  void ClearColumn(int ACol);
  void Clear();
  // Every object held, with its cell, in row then column order.
  void ForEachObject(const std::function<void(int ACol, int ARow, TObject* Object)>& Visit) const;
  // Rows allocated so far (the highest written row + 1 at most).
  int RowSpan() const { return int(FRows.size()); }
  // The number of cells a row is made with when its first cell is written
  // (a grid passes its column count), so that a row filled column by column
  // is allocated once. 0: exactly the cells written.
  void SetRowHint(int Cols) { FRowHint = Cols < 0 ? 0 : (Cols > MaxCols ? MaxCols : Cols); }

  static void CheckCol(int ACol);
  static void CheckRow(int ARow);

 private:
  struct TCell {
    QString Text;
    TObject* Object = nullptr;
  };
  using TRow = std::vector<TCell>;
  const TCell* Find(int ACol, int ARow) const;
  TCell& Ensure(int ACol, int ARow);

  std::vector<std::unique_ptr<TRow>> FRows;
  int FRowHint = 0;
};

}  // namespace GridsDetail
