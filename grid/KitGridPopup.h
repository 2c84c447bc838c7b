#pragma once
// TKitGridPopup: the base of a small pop-up tool bar the grid can show over
// a cell. The base class only tracks whether it is shown; a descendant draws
// the tool bar and answers whether a screen point lies on it.

#include "platform/rtl/Components.h"
#include "platform/rtl/Types.h"

class TKitStringGrid;

class TKitGridPopup : public TComponent {
 public:
  explicit TKitGridPopup(TComponent* AOwner) : TComponent(AOwner) {}

  // Sets the visible flag; the base class does not use the point.
  virtual void Show(TPoint PT) { FVisible = true; }
  // Clears the visible flag.
  virtual void Hide() { FVisible = false; }
  // Whether the screen point lies on the pop-up.
  virtual bool MouseInPopup(TPoint PT) = 0;

  bool Visible() const { return FVisible; }
  TKitStringGrid* Grid() const { return FGrid; }
  void SetGrid(TKitStringGrid* Value) { FGrid = Value; }
  int Col() const { return FCol; }
  int Row() const { return FRow; }
  void SetCell(int ACol, int ARow) {
    FCol = ACol;
    FRow = ARow;
  }

 private:
  TKitStringGrid* FGrid = nullptr;
  int FCol = -1;
  int FRow = -1;
  bool FVisible = false;
};
