#pragma once
// TKitUndoManager: undo and redo by whole-state snapshots. Each snapshot is
// the object's complete persisted state, kept with an action name in a
// bounded stack; undo and redo load an earlier or later snapshot back into
// the object.
//
// The snapshots are taken and restored by the routines installed with
// SetKitUndoStateIO: object persistence installs them at start-up (the
// object's own settings stream when it implements the persistence
// interface, the persistence JSON otherwise).

#include <QString>
#include <functional>
#include <memory>

#include "platform/rtl/Collections.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/System.h"

// Saves AObject's complete state into AStream at its position, or loads it
// back from AStream's position.
using TKitUndoStateProc = std::function<void(TObject* AObject, TStream* AStream)>;

struct TKitUndoStateIO {
  TKitUndoStateProc SaveState;
  TKitUndoStateProc LoadState;
};

// The routines every undo manager uses; empty ones until installed.
void SetKitUndoStateIO(const TKitUndoStateIO& AStateIO);
const TKitUndoStateIO& KitUndoStateIO();

class TKitUndoStackItem : public TCollectionItem {
 public:
  explicit TKitUndoStackItem(TCollection* Collection);
  ~TKitUndoStackItem() override;

  const QString& ActionName() const { return FActionName; }
  void SetActionName(const QString& Value) { FActionName = Value; }
  // The snapshot, owned by the item.
  TStream* State() const { return FState.get(); }
  // Free for the item's user; the manager does not use it.
  TObject* Obj() const { return FObj; }
  void SetObj(TObject* Value) { FObj = Value; }

 private:
  QString FActionName;
  std::unique_ptr<TMemoryStream> FState;
  TObject* FObj = nullptr;
};

TF_DECLARE_EXCEPTION(EKitUndoError, Exception)

class TKitUndoManager : public TCollection {
 public:
  // An empty stack for AObject (not owned).
  explicit TKitUndoManager(TObject* AObject);

  int MaxStackCount() const { return FMaxStackCount; }
  void SetMaxStackCount(int Value) { FMaxStackCount = Value; }
  // The index of the snapshot that matches the object's present state; -1
  // when none.
  int Current() const { return FCurrent; }

  // Records the present state as a new snapshot, dropping the snapshots that
  // could have been redone and, beyond MaxStackCount, the oldest one. Raises
  // EKitUndoError when no state routines are installed.
  void PushState(const QString& AActionName);
  // Removes every snapshot and records the present state with an empty
  // action name.
  void ClearUndoStack();
  bool CanUndo() const;
  bool CanRedo() const;
  void Undo();
  void Redo();
  // The action an undo takes back, and the one a redo restores; "" when none.
  QString NextUndoAction() const;
  QString NextRedoAction() const;
  // The item at Index, or nullptr outside 0..Count-1.
  TKitUndoStackItem* GetStackItem(int Index) const;

 private:
  void LoadSnapshot(int Index);

  int FCurrent = -1;
  TObject* FObject;
  int FMaxStackCount = 20;
};
