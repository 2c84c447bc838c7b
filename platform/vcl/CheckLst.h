#pragma once
// TCheckListBox: a list box whose items each carry a check box.
//
// Rules map
// - Every item has a state (cbUnchecked, cbChecked, cbGrayed) and an
//   enabled flag; new items come unchecked and enabled. The states belong
//   to the items: they move with them when items are inserted, deleted,
//   moved, exchanged or sorted, and go with them when they are deleted or
//   cleared. Checked[i] is State[i] == cbChecked; setting Checked sets
//   cbChecked or cbUnchecked.
// - The user toggles an item with a left press on its check box (the
//   check area at the left of the item: the box and 2 pixels on either
//   side) or with Space on the current item: unchecked goes to grayed when
//   AllowGrayed is set, else to checked; checked to unchecked; grayed to
//   checked. A disabled item (ItemEnabled false) or a disabled list is not
//   toggled. Each toggle by the user runs OnClickCheck once, after the
//   state changed; states set by the program run none. The press also
//   selects the item as in any list box (OnClick).
// - Space is consumed by the toggle (after OnKeyPress, which sees it and
//   may clear it to keep the item as it is).
// - Indexes outside the items raise EListError "List index out of bounds
//   (%d)".
// - Painting: the list's own (Qt's item view in the active style's
//   palette) with the style's check box drawn in each item's check area
//   and the text after it; a disabled item is drawn in the disabled text
//   colour.
//
// Not covered: owner-drawn check lists (Style lbOwnerDrawFixed draws the
// items without check boxes), header items (Header[]), and the flat look
// switch (Flat is kept and changes nothing).

#include <QList>
#include <QMetaObject>

#include "platform/rtl/TypInfo.h"
#include "platform/vcl/StdCtrls.h"

class TCheckListBox : public TListBox {
 public:
  TF_DECLARE_PUBLISHED(TCheckListBox)
  explicit TCheckListBox(TComponent* AOwner);
  ~TCheckListBox() override;

  bool Checked(int Index) const { return State(Index) == cbChecked; }
  void SetChecked(int Index, bool Value) { SetState(Index, Value ? cbChecked : cbUnchecked); }
  TCheckBoxState State(int Index) const;
  void SetState(int Index, TCheckBoxState Value);
  bool ItemEnabled(int Index) const;
  void SetItemEnabled(int Index, bool Value);
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value) { FFlat = Value; }
  // Sets every item (disabled ones only with AllowDisabled); grayed only
  // with AllowGrayed, else unchecked. Runs no OnClickCheck.
  void CheckAll(TCheckBoxState AState, bool AllowGrayed = true, bool AllowDisabled = true);
  // The check area of an item (client coordinates; empty when the item is
  // not shown).
  TRect CheckRect(int Index) const;
  // Width of the check area at the left of each item.
  int CheckWidth() const;

  TNotifyEvent OnClickCheck;

 protected:
  QWidget* CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyPress(QChar& Key) override;
  // The user's toggle of an item: the next state, then ClickCheck.
  void ToggleClickCheck(int Index);
  // Runs OnClickCheck.
  virtual void ClickCheck();

 private:
  void CheckIndex(int Index) const;
  void RepaintItem(int Index);
  void Snapshot();
  void Rematch();

  struct TItemState {
    TCheckBoxState State = cbUnchecked;
    bool Enabled = true;
  };
  QList<TItemState> FStates;
  // The items with their states before the model was reset (Sort).
  struct TSaved {
    QString Text;
    TObject* Object;
    TItemState State;
  };
  QList<TSaved> FSaved;
  QList<QMetaObject::Connection> FConnections;
  bool FAllowGrayed = false;
  bool FFlat = true;
};
