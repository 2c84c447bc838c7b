#pragma once
// The up-down control (spin buttons): TCustomUpDown and TUpDown.
//
// Rules map
// - The control: a pair of arrow buttons, one above the other
//   (udVertical: the upper one is "next") or side by side (udHorizontal:
//   the right one is "next"). A windowed control of its own painting (the
//   active style's scroll-bar arrow elements), 17 x 25 when made; it takes
//   the focus only with TabStop (off by default) and then steps with the
//   arrow keys of its orientation.
// - Values: Position lies between Min and Max (0 and 100; Min may exceed
//   Max, which turns the direction round: "next" then lowers the
//   position). Increment (1) is the step. Wrap: stepping past one end
//   goes to the other; without it the position stays at the end.
// - Everything goes through the control's messages as on Win32, so a
//   descendant or a window procedure hook sees it: the setters send
//   UDM_SETRANGE32, UDM_SETPOS32 and UDM_SETBUDDY, the getters UDM_GETPOS32
//   and UDM_GETRANGE32; UDM_SETRANGE/GETRANGE/SETPOS/GETPOS (16 bits),
//   UDM_GETBUDDY and UDM_SETBASE/GETBASE (base 10 only) answer too.
// - A step (a press on a button, a repeat tick, an arrow key):
//   1. with an associate, the position is first read from its text
//      (digits with an optional sign and thousand separators; a text that
//      is no number leaves the position as it was);
//   2. WM_NOTIFY UDN_DELTAPOS (NMUPDOWN: the position and the proposed
//      delta) goes to the parent, which reflects it back (CN_NOTIFY):
//      OnChanging, then OnChangingEx with the new value and the direction,
//      run; a handler clearing AllowChange (a non-zero answer) cancels the
//      step, and a receiver may change iDelta;
//   3. the position moves (Wrap or stop at the ends) and the associate
//      shows it (its Text, with thousand separators unless Thousands is
//      off);
//   4. WM_VSCROLL (vertical) or WM_HSCROLL (horizontal) with
//      SB_THUMBPOSITION and the position in the high word, the up-down's
//      handle in LParam, goes to the parent, which reflects it back
//      (CN_VSCROLL/CN_HSCROLL): OnClick runs with the button (btNext,
//      btPrev). This happens at an end too (the position then stays).
//   The release of the mouse button or of the arrow key sends
//   SB_ENDSCROLL the same way.
// - Holding a button: the first step on the press, then steps after 400
//   ms and every 100 ms while the mouse stays on the pressed button (it is
//   captured; off the button the repeat pauses). The timer is a TTimer on
//   the program's scheduler (a test's manual clock drives it).
// - Associate: a windowed control (usually an edit) on the same parent;
//   the up-down moves to the associate's parent when it sits elsewhere.
//   Setting it places the up-down at the associate's right edge
//   (AlignButton udRight; udLeft: its left edge) with the associate's
//   height and narrows the associate by the up-down's width, and writes
//   the position into the associate's text. With ArrowKeys (the default)
//   Up and Down pressed in the associate step the up-down instead of
//   reaching the associate (through its window procedure, which the
//   up-down hooks while it is associated). The associate's destruction
//   clears Associate.
//
// Not covered: acceleration (UDM_SETACCEL/GETACCEL answer 0; a held button
// steps by Increment at the same pace however long it is held),
// hexadecimal display (UDM_SETBASE 16 is refused), hot tracking of the
// buttons by the window system's rules (the button under the mouse is drawn
// hot), and the automatic choice of a buddy (UDS_AUTOBUDDY).

#include <functional>

#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/ExtCtrlsBase.h"

enum TUDAlignButton { udLeft, udRight };
TF_ENUM_NAMES(TUDAlignButton, udLeft, udRight)
enum TUDOrientation { udHorizontal, udVertical };
TF_ENUM_NAMES(TUDOrientation, udHorizontal, udVertical)
enum TUDBtnType { btNext, btPrev };
TF_ENUM_NAMES(TUDBtnType, btNext, btPrev)
enum TUpDownDirection { updNone, updUp, updDown };
TF_ENUM_NAMES(TUpDownDirection, updNone, updUp, updDown)

using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;
using TUDChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;
using TUDChangingEventEx =
    std::function<void(TObject* Sender, bool& AllowChange, int NewValue, TUpDownDirection Direction)>;

class TCustomUpDown : public TCustomControl {
 public:
  TF_DECLARE_MESSAGES(TCustomUpDown)
  explicit TCustomUpDown(TComponent* AOwner);
  ~TCustomUpDown() override;

  TWinControl* Associate() const { return FAssociate; }
  void SetAssociate(TWinControl* Value);
  TUDAlignButton AlignButton() const { return FAlignButton; }
  void SetAlignButton(TUDAlignButton Value);
  bool ArrowKeys() const { return FArrowKeys; }
  void SetArrowKeys(bool Value) { FArrowKeys = Value; }
  int Min() const;
  void SetMin(int Value);
  int Max() const;
  void SetMax(int Value);
  // Read from the associate's text first (see the map).
  int Position() const;
  void SetPosition(int Value);
  int Increment() const { return FIncrement; }
  void SetIncrement(int Value);
  TUDOrientation Orientation() const { return FOrientation; }
  // Turns the control on its side (width and height swap).
  void SetOrientation(TUDOrientation Value);
  bool Thousands() const { return FThousands; }
  void SetThousands(bool Value);
  bool Wrap() const { return FWrap; }
  void SetWrap(bool Value) { FWrap = Value; }

  // The rectangles of the two buttons (client coordinates).
  TRect NextRect() const;
  TRect PrevRect() const;
  // The button being held (-1: none; btNext or btPrev).
  int PressedButton() const { return FPressed; }

  TUDClickEvent OnClick;
  TUDChangingEvent OnChanging;
  TUDChangingEventEx OnChangingEx;

 protected:
  // Runs OnChanging and OnChangingEx; false when the step is refused.
  virtual bool CanChange();
  virtual bool DoCanChange(int NewVal, int Delta);
  using TCustomControl::Click;
  virtual void Click(TUDBtnType Button);
  // One step in the direction of the button (see the map).
  void Step(TUDBtnType Button);
  // Ends a run of steps (SB_ENDSCROLL to the parent).
  void EndSteps();

  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  void UDMSetRange(TMessage& Message);
  void UDMGetRange(TMessage& Message);
  void UDMSetPos(TMessage& Message);
  void UDMGetPos(TMessage& Message);
  void UDMSetRange32(TMessage& Message);
  void UDMGetRange32(TMessage& Message);
  void UDMSetPos32(TMessage& Message);
  void UDMGetPos32(TMessage& Message);
  void UDMSetBuddy(TMessage& Message);
  void UDMGetBuddy(TMessage& Message);
  void UDMSetBase(TMessage& Message);
  void UDMGetBase(TMessage& Message);
  void UDMAccel(TMessage& Message);
  void CNNotify(TMessage& Message);
  void CNScroll(TMessage& Message);
  void WMGetDlgCode(TMessage& Message);
  void WMKeyDown(TMessage& Message);
  void WMKeyUp(TMessage& Message);
  void CMMouseLeave(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);

 private:
  // The position taken from the associate's text; false when it is no
  // number (the position stays).
  bool ReadBuddy();
  void WriteBuddy();
  int Clamp(int Value) const;
  void Hook(TWinControl* Value);
  void Unhook();
  void PlaceNextToAssociate();
  void StartRepeat();
  void StopRepeat();
  void RepeatTick();
  int ButtonAt(int X, int Y) const;
  bool ArrowKey(WORD Key, TUDBtnType& Button) const;

  TWinControl* FAssociate = nullptr;
  TWndMethod FSavedProc;
  TUDAlignButton FAlignButton = udRight;
  bool FArrowKeys = true;
  int FMin = 0;
  int FMax = 100;
  int FPosition = 0;
  int FIncrement = 1;
  TUDOrientation FOrientation = udVertical;
  bool FThousands = true;
  bool FWrap = false;
  int FPressed = -1;  // the button held by the mouse
  int FHot = -1;      // the button under the mouse
  bool FMouseOnPressed = false;
  bool FKeyStepping = false;
  TUDBtnType FLastButton = btNext;  // of the step whose scroll message is on its way
  TTimer* FRepeatTimer = nullptr;
  int FStyleListener = 0;
};

class TUpDown : public TCustomUpDown {
 public:
  TF_DECLARE_PUBLISHED(TUpDown)
  explicit TUpDown(TComponent* AOwner) : TCustomUpDown(AOwner) {}
};
