#pragma once
// Undo and redo of cell text changes: a component that records each change
// a grid makes on the user's behalf (and brackets changes that belong
// together into a sequence) and writes the texts back through the grid.
//
// The history is linear: entries 0 .. Level-1 are applied, entries from
// Level on are undone. Recording a new change (or a sequence marker) first
// drops the undone entries, so a redo never re-applies a change the user
// abandoned. MaxLevel > 0 keeps at most that many entries, the oldest going
// first (markers are never trimmed when they are added).

#include <QString>
#include <functional>

#include "platform/rtl/Collections.h"
#include "platform/rtl/Components.h"
#include "platform/rtl/TypInfo.h"

// What the undo component needs of the grid it restores cells in. The grid
// implements it and hands itself over when its UndoRedo is set.
class IKitGridUndoTarget {
 public:
  virtual ~IKitGridUndoTarget() = default;
  // The grid as a component: its removal is noticed through it.
  virtual TComponent* UndoGridComponent() = 0;
  // The cell's text as Cells reads and writes it (real column).
  virtual QString UndoGetCell(int ACol, int ARow) = 0;
  virtual void UndoSetCell(int ACol, int ARow, const QString& Value) = 0;
  // Check-box cells are restored by setting their state from a text.
  virtual bool UndoHasCellCheckBox(int ACol, int ARow) = 0;
  virtual void UndoSetCheckBoxText(int ACol, int ARow, const QString& Value) = 0;
  // The display column of a real column.
  virtual int UndoDisplColIndex(int ACol) = 0;
  // Makes the cell current through the framework grid's Col and Row.
  virtual void UndoSetCurrentCell(int ACol, int ARow) = 0;
  virtual int UndoCurrentCol() = 0;
  virtual void UndoRepaintCell(int ACol, int ARow) = 0;
  virtual void UndoInvalidate() = 0;
};

// One recorded change, or a marker opening or closing a sequence (column
// and row -1, empty texts).
class TUndoRedoItem : public TCollectionItem {
 public:
  TF_DECLARE_PUBLISHED(TUndoRedoItem)
  using TCollectionItem::TCollectionItem;

  int Row() const { return FRow; }
  void SetRow(int Value) { FRow = Value; }
  int Col() const { return FCol; }
  void SetCol(int Value) { FCol = Value; }
  // The text the change wrote (redo writes it again).
  const QString& Value() const { return FValue; }
  void SetValue(const QString& Value) { FValue = Value; }
  // The text the cell had before (undo writes it back).
  const QString& OrigValue() const { return FOrigValue; }
  void SetOrigValue(const QString& Value) { FOrigValue = Value; }
  bool SequenceStart() const { return FSequenceStart; }
  void SetSequenceStart(bool Value) { FSequenceStart = Value; }
  bool SequenceStop() const { return FSequenceStop; }
  void SetSequenceStop(bool Value) { FSequenceStop = Value; }
  // A check box's toggle: restored through the box's state also inside a
  // sequence (whose other entries are written back as text).
  bool CheckBox() const { return FCheckBox; }
  void SetCheckBox(bool Value) { FCheckBox = Value; }

  bool IsMarker() const { return FSequenceStart || FSequenceStop; }

 private:
  int FRow = 0;
  int FCol = 0;
  QString FValue;
  QString FOrigValue;
  bool FSequenceStart = false;
  bool FSequenceStop = false;
  bool FCheckBox = false;
};

// The entries, oldest first.
class TUndoRedoCollection : public TOwnedCollection {
 public:
  explicit TUndoRedoCollection(TPersistent* AOwner)
      : TOwnedCollection(AOwner, CollectionItemClassOf<TUndoRedoItem>()) {}
  TUndoRedoItem* Items(int Index) const { return static_cast<TUndoRedoItem*>(TCollection::Items(Index)); }
  TUndoRedoItem* Add() { return static_cast<TUndoRedoItem*>(TCollection::Add()); }
};

// Fired before each cell is restored: OrigValue is the text the cell shows
// now, NewValue the text about to be written.
using TKitGridUndoRedoEvent = std::function<void(TObject* Sender, TComponent* Grid, int Col, int Row,
                                                 const QString& OrigValue, const QString& NewValue)>;

class TKitGridUndoRedo : public TComponent {
 public:
  TF_DECLARE_PUBLISHED(TKitGridUndoRedo)
  explicit TKitGridUndoRedo(TComponent* AOwner);
  ~TKitGridUndoRedo() override;

  TUndoRedoCollection* Items() const { return FItems.get(); }
  IKitGridUndoTarget* Grid() const { return FGrid; }
  // Set by the grid when its UndoRedo is assigned; the component then
  // forgets the grid when the grid is destroyed.
  void SetGrid(IKitGridUndoTarget* Value);
  int Level() const { return FLevel; }
  // 0: no limit.
  int MaxLevel() const { return FMaxLevel; }
  void SetMaxLevel(int Value) { FMaxLevel = Value; }

  virtual void RegisterChange(int ACol, int ARow, const QString& OldValue, const QString& NewValue);
  // RegisterChange of a check box's toggle, marked to be restored through
  // the box also when it is part of a sequence.
  void RegisterCheckBoxChange(int ACol, int ARow, const QString& OldValue, const QString& NewValue);
  virtual void StartSequence();
  virtual void StopSequence();
  // Undo steps back over one change or one whole sequence (newest change
  // first); Redo forward (oldest first). Both do nothing without a grid or
  // with nothing to undo or redo.
  void Undo();
  void Redo();
  void Reset();
  bool CanUndo() const { return FLevel > 0; }
  bool CanRedo() const { return FLevel < FItems->Count(); }

  TKitGridUndoRedoEvent OnUndo;
  TKitGridUndoRedoEvent OnRedo;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TUndoRedoItem* Entry(int Index) const { return FItems->Items(Index); }
  // Drops the undone entries (from Level on) before something new is added.
  void DropUndone();
  TUndoRedoItem* Append();
  void Restore(TUndoRedoItem* Item, bool Redoing, bool CheckBoxPath);

  std::unique_ptr<TUndoRedoCollection> FItems;
  IKitGridUndoTarget* FGrid = nullptr;
  TComponent* FGridComponent = nullptr;
  int FLevel = 0;
  int FMaxLevel = 0;
};
