#pragma once
// Small guards the row and column operations share: each closes or puts back
// on every way out (an event handler that raises included) what its
// operation opened or changed.

#include <utility>
#include <vector>

#include "grid/model/KitGrid.h"

namespace kitgridops {

// One update bracket of the grid, closed exactly once.
class TUpdateGuard {
 public:
  explicit TUpdateGuard(TKitStringGrid* Grid) : FGrid(Grid) { FGrid->BeginUpdate(); }
  ~TUpdateGuard() { FGrid->EndUpdate(); }
  TUpdateGuard(const TUpdateGuard&) = delete;
  TUpdateGuard& operator=(const TUpdateGuard&) = delete;

 private:
  TKitStringGrid* FGrid;
};

// Sets a variable for the guard's life and puts its value back.
template <class T>
class TValueRestore {
 public:
  TValueRestore(T& Ref, T Value) : FRef(Ref), FOld(Ref) { FRef = std::move(Value); }
  ~TValueRestore() { FRef = std::move(FOld); }
  TValueRestore(const TValueRestore&) = delete;
  TValueRestore& operator=(const TValueRestore&) = delete;

 private:
  T& FRef;
  T FOld;
};

// Makes the list hold exactly Values, writing only the items that differ.
inline void RewriteIntList(TIntList* List, const std::vector<int>& Values) {
  for (size_t i = 0; i < Values.size(); ++i) {
    if (int(i) < List->Count()) {
      if (List->Items(int(i)) != Values[i]) List->SetItems(int(i), Values[i]);
    } else {
      List->Add(Values[i]);
    }
  }
  while (List->Count() > int(Values.size())) List->Delete(List->Count() - 1);
}

}  // namespace kitgridops
