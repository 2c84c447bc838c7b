#include "foundation/KitUndo.h"

namespace {

TKitUndoStateIO& StateIO() {
  static TKitUndoStateIO io;
  return io;
}

}  // namespace

void SetKitUndoStateIO(const TKitUndoStateIO& AStateIO) { StateIO() = AStateIO; }

const TKitUndoStateIO& KitUndoStateIO() { return StateIO(); }

// ---------------------------------------------------------------------------
// TKitUndoStackItem

TKitUndoStackItem::TKitUndoStackItem(TCollection* Collection)
    : TCollectionItem(Collection), FState(std::make_unique<TMemoryStream>()) {}

TKitUndoStackItem::~TKitUndoStackItem() = default;

// ---------------------------------------------------------------------------
// TKitUndoManager

TKitUndoManager::TKitUndoManager(TObject* AObject)
    : TCollection(CollectionItemClassOf<TKitUndoStackItem>()), FObject(AObject) {}

void TKitUndoManager::PushState(const QString& AActionName) {
  const TKitUndoStateIO& io = KitUndoStateIO();
  if (!io.SaveState || !io.LoadState)
    throw EKitUndoError(QStringLiteral("No routines to save and load the state are installed"));
  for (int i = Count() - 1; i > FCurrent; --i) Delete(i);
  auto* item = static_cast<TKitUndoStackItem*>(Add());
  item->SetActionName(AActionName);
  try {
    io.SaveState(FObject, item->State());
  } catch (...) {
    Delete(item->Index());  // no half-written snapshot stays behind
    throw;
  }
  FCurrent = item->Index();
  if (Count() > FMaxStackCount) {
    Delete(0);
    --FCurrent;
  }
}

void TKitUndoManager::ClearUndoStack() {
  Clear();
  FCurrent = -1;
  PushState(QString());
}

bool TKitUndoManager::CanUndo() const { return FCurrent >= 1 && Count() > 0; }

bool TKitUndoManager::CanRedo() const { return Count() > 0 && FCurrent < Count() - 1; }

void TKitUndoManager::LoadSnapshot(int Index) {
  TStream* state = GetStackItem(Index)->State();
  state->SetPosition(0);
  const TKitUndoStateIO& io = KitUndoStateIO();
  if (!io.LoadState)
    throw EKitUndoError(QStringLiteral("No routines to save and load the state are installed"));
  io.LoadState(FObject, state);
}

void TKitUndoManager::Undo() {
  if (FCurrent > 0 && FCurrent < Count()) {
    LoadSnapshot(FCurrent - 1);
    --FCurrent;
  }
}

void TKitUndoManager::Redo() {
  if (FCurrent >= -1 && FCurrent < Count() - 1) {
    LoadSnapshot(FCurrent + 1);
    ++FCurrent;
  }
}

QString TKitUndoManager::NextUndoAction() const {
  const TKitUndoStackItem* item = GetStackItem(FCurrent);
  return item ? item->ActionName() : QString();
}

QString TKitUndoManager::NextRedoAction() const {
  const TKitUndoStackItem* item = GetStackItem(FCurrent + 1);
  return item ? item->ActionName() : QString();
}

TKitUndoStackItem* TKitUndoManager::GetStackItem(int Index) const {
  if (Index < 0 || Index >= Count()) return nullptr;
  return static_cast<TKitUndoStackItem*>(Items(Index));
}
