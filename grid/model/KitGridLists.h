#pragma once
// Small lists of the grid's bookkeeping: an ordered list of 32-bit integers
// that tells its owning cell about changes (TIntList), the sort columns with
// their directions and a one-line text form (TSortIndexList), and a list of
// text lines with a read cursor and a pending output line (TFileStringList).
//
// Every index is checked: a bad one raises EListError
// "List index out of bounds (<index>)" and changes nothing.

#include <QString>
#include <cstdint>
#include <vector>

#include "grid/model/KitGridTypes.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/System.h"

class TIntList : public TObject {
 public:
  // An empty list belonging to cell (Col, Row); lists of no cell use (0, 0)
  // or (-1, -1).
  TIntList(int Col, int Row) : FCol(Col), FRow(Row) {}
  TIntList(const TIntList&) = delete;
  TIntList& operator=(const TIntList&) = delete;
  // Clears the list, which notifies an assigned OnChange: an owner that
  // frees the list while it is itself dying clears OnChange first.
  ~TIntList() override;

  int Count() const { return static_cast<int>(FItems.size()); }
  int Col() const { return FCol; }
  int Row() const { return FRow; }

  // Notifying operations: Clear, SetItems, Add, Delete, DeleteValue (when it
  // removes), the sorted Insert into an empty list, SetStrValue.
  void Clear();
  int Items(int Index) const;
  void SetItems(int Index, int Value);
  void Add(int Value);
  // Inserts before position Index (0..Count); does not notify.
  void Insert(int Index, int Value);
  // Sorted insert into an ascending list: an empty list takes Value by Add
  // (notifying), any other gets it at SortedPosOf(Value) without notice.
  void Insert(int Value);
  void Delete(int Index);
  // Removes the first item equal to Value; nothing when absent.
  void DeleteValue(int Value);
  bool HasValue(int Value) const;
  // Binary searches of an ascending list: the index of Value or -1, and the
  // position Value belongs at.
  int SortedIndexOf(int Value) const;
  int SortedPosOf(int Value) const;

  // The items as "3,1,7". Writing clears the list and adds every item of a
  // comma text (commas or blanks between items, double quotes allowed); an
  // item that is not an integer raises EConvertError, the items before it
  // stay.
  QString StrValue() const;
  void SetStrValue(const QString& Value);

  // Called as OnChange(this, Col, Row) after a notifying operation.
  TImageChangeEvent OnChange;

 protected:
  void Changed();
  void CheckIndex(int Index) const;

 private:
  std::vector<int32_t> FItems;
  int FCol;
  int FRow;
};

// Sort columns in priority order: bit 31 of an item is the direction (set:
// descending), bits 0-30 the column.
class TSortIndexList : public TIntList {
 public:
  TSortIndexList() : TIntList(0, 0) {}

  // The item's column and direction; the writers keep the other part and
  // notify.
  int SortColumns(int Index) const;
  void SetSortColumns(int Index, int Value);
  bool SortDirections(int Index) const;  // True: ascending
  void SetSortDirections(int Index, bool Value);

  void AddIndex(int ColumnIndex, bool Ascending);
  // Position of the first item of ColumnIndex, or -1.
  int FindIndex(int ColumnIndex) const;
  // Flips the direction of ColumnIndex; nothing when it is not in the list.
  void ToggleIndex(int ColumnIndex);

  // "u2;d0": "u" ascending or "d" descending, then the column (its low 16
  // bits), joined by ";". Loading clears the list, skips entries shorter
  // than two characters, reads "u" as ascending and any other letter as
  // descending, and a column that is no integer as 0.
  QString SaveToString() const;
  void LoadFromString(const QString& s);
};

// Lines read one by one from a cursor and written field by field.
class TFileStringList : public TStringList {
 public:
  bool Eof() const { return Fp >= Count(); }
  int ReadPos() const { return Fp; }

  void Reset();
  // The line at the cursor, then the cursor moves on; raises the list's
  // index error at the end.
  void ReadLn(QString& s);
  // Appends s to the pending line.
  void Write(const QString& s);
  // Adds the pending line followed by s and empties the pending line.
  void WriteLn(const QString& s);

 private:
  int Fp = 0;
  QString FCache;
};
