#pragma once
// THiddenRowIndex: the sorted lookup over the grid's hidden rows. Each entry
// is the real index of a hidden row with its record; the maps between
// display rows (the rows still in the cell store) and real rows (hidden rows
// counted) answer from it by binary search.
//
// Invariants: the real indexes are strictly ascending after Build; a real
// index appears once. With H the ascending hidden indexes, H[k] - k never
// decreases, so the real row of display row d is d + (the first k with
// H[k] - k > d), and the display row of real row r is r minus the number of
// hidden rows below r.

#include <cstddef>
#include <utility>
#include <vector>

class TGridItem;

class THiddenRowIndex {
 public:
  // Replaces the entries (any order); the later of two entries with the same
  // real index is dropped (the grid never makes two).
  void Build(std::vector<std::pair<int, TGridItem*>> Entries);
  void Clear() { FEntries.clear(); }
  int Count() const { return int(FEntries.size()); }
  bool Empty() const { return FEntries.empty(); }
  // The real index of entry i (ascending).
  int RealAt(int i) const { return FEntries[size_t(i)].first; }
  TGridItem* ItemAt(int i) const { return FEntries[size_t(i)].second; }

  bool IsHidden(int RealRow) const;
  // The record of a hidden real row, nullptr when the row is shown.
  TGridItem* Find(int RealRow) const;
  // Hidden rows whose real index is below RealRow.
  int CountBelow(int RealRow) const;
  // The real index of the display row (a negative row answers itself).
  int DisplToReal(int DisplRow) const;
  // The display index of a real row: a hidden row answers the display row
  // that follows it.
  int RealToDispl(int RealRow) const { return RealRow - CountBelow(RealRow); }

 private:
  std::vector<std::pair<int, TGridItem*>> FEntries;
};
