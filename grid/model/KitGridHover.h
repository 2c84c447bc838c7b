#pragma once
// Two small companions of the string grid: the pop-up that looks like a
// header cell and stands for a column header being dragged, and the thin
// "metro" scroll indicator that replaces the grid's scroll bars when its
// ScrollType is ssMetro (one per direction). The hover buttons' definitions
// (THoverButtons) are settings of the grid (KitGridSettingGroups.h).

#include <QString>

#include "platform/vcl/Controls.h"

class TKitStringGrid;

// A borderless pop-up painted as the grid's cell (0, 0) without content,
// with the caption centred on it (mini-HTML when it holds "</").
class THeaderDragButton : public TCustomControl {
 public:
  explicit THeaderDragButton(TComponent* AOwner);
  TKitStringGrid* Grid() const { return FGrid; }
  void SetGrid(TKitStringGrid* Value) { FGrid = Value; }
  const QString& Caption() const { return FCaption; }
  void SetCaption(const QString& Value);
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value) { FFlat = Value; }

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;

 private:
  TKitStringGrid* FGrid = nullptr;
  QString FCaption;
  bool FFlat = false;
};

enum TScrollDirection { sdVertical, sdHorizontal };

// The thumb of a metro scroll indicator: where it starts and how long it is
// along the control, in the control's pixels.
struct TScrollThumb {
  int Position = 0;
  int Size = 0;
  bool Visible = false;
};

class TScrollControl : public TCustomControl {
 public:
  // AGrid is the owner and the parent.
  explicit TScrollControl(TKitStringGrid* AGrid);

  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  int ScrollWidth() const { return FScrollWidth; }
  void SetScrollWidth(int Value) { FScrollWidth = Value; }
  TScrollDirection Direction() const { return FDirection; }
  void SetDirection(TScrollDirection Value) { FDirection = Value; }

  // The thumb for the grid's present rows (or columns) and the control's
  // length: at least 20 pixels, never past the control's end; not visible
  // while every scrollable row is in view.
  TScrollThumb Thumb();

  // The mouse along the control (y for vertical, x for horizontal): before
  // the thumb pages back, after it pages forward, on it starts a drag.
  void PressAt(int Pos);
  void DragTo(int Pos);
  void Release() { FDownOnScroller = false; }
  bool Dragging() const { return FDownOnScroller; }

 protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Paint() override;

 private:
  // The grid's rows or columns by direction.
  int Count() const;
  int Fixed() const;
  int First() const;
  void SetFirst(int Value);
  int Visible() const;
  int Extent(int Index) const;
  int Length() const;

  TKitStringGrid* FGrid;
  TColor FColor = 0xC0C0C0;
  int FScrollWidth = 4;
  TScrollDirection FDirection = sdVertical;
  bool FDownOnScroller = false;
  int FDownPos = 0;
  int FDownRow = 0;
};
