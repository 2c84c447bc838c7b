#include "grid/model/KitGridUndo.h"

TF_PUBLISHED(TUndoRedoItem, TCollectionItem) {
  return TPublished<TUndoRedoItem>()
      .Integer("Row", &TUndoRedoItem::Row, &TUndoRedoItem::SetRow)
      .Default(0)
      .Integer("Col", &TUndoRedoItem::Col, &TUndoRedoItem::SetCol)
      .Default(0)
      .String("Value", &TUndoRedoItem::Value, &TUndoRedoItem::SetValue)
      .String("OrigValue", &TUndoRedoItem::OrigValue, &TUndoRedoItem::SetOrigValue)
      .Boolean("SequenceStart", &TUndoRedoItem::SequenceStart, &TUndoRedoItem::SetSequenceStart)
      .Default(false)
      .Boolean("SequenceStop", &TUndoRedoItem::SequenceStop, &TUndoRedoItem::SetSequenceStop)
      .Default(false)
      .Boolean("CheckBox", &TUndoRedoItem::CheckBox, &TUndoRedoItem::SetCheckBox)
      .Default(false);
}

TF_PUBLISHED(TKitGridUndoRedo, TComponent) {
  return TPublished<TKitGridUndoRedo>()
      .Integer("MaxLevel", &TKitGridUndoRedo::MaxLevel, &TKitGridUndoRedo::SetMaxLevel)
      .Default(0)
      .Event("OnUndo", &TKitGridUndoRedo::OnUndo)
      .TypeName("TKitGridUndoRedoEvent")
      .Event("OnRedo", &TKitGridUndoRedo::OnRedo)
      .TypeName("TKitGridUndoRedoEvent");
}

TKitGridUndoRedo::TKitGridUndoRedo(TComponent* AOwner)
    : TComponent(AOwner), FItems(std::make_unique<TUndoRedoCollection>(this)) {}

TKitGridUndoRedo::~TKitGridUndoRedo() = default;

void TKitGridUndoRedo::SetGrid(IKitGridUndoTarget* Value) {
  TComponent* component = Value ? Value->UndoGridComponent() : nullptr;
  if (FGridComponent && FGridComponent != component) FGridComponent->RemoveFreeNotification(this);
  FGrid = Value;
  FGridComponent = component;
  if (FGridComponent) FGridComponent->FreeNotification(this);
}

void TKitGridUndoRedo::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent && AComponent == FGridComponent) {
    FGrid = nullptr;
    FGridComponent = nullptr;
  }
  TComponent::Notification(AComponent, Operation);
}

void TKitGridUndoRedo::DropUndone() {
  while (FItems->Count() > FLevel) FItems->Delete(FItems->Count() - 1);
}

TUndoRedoItem* TKitGridUndoRedo::Append() {
  TUndoRedoItem* item = FItems->Add();
  item->SetCol(-1);
  item->SetRow(-1);
  return item;
}

void TKitGridUndoRedo::RegisterChange(int ACol, int ARow, const QString& OldValue, const QString& NewValue) {
  DropUndone();
  while (FMaxLevel > 0 && FItems->Count() >= FMaxLevel) FItems->Delete(0);
  TUndoRedoItem* item = Append();
  item->SetCol(ACol);
  item->SetRow(ARow);
  item->SetValue(NewValue);
  item->SetOrigValue(OldValue);
  FLevel = FItems->Count();
}

void TKitGridUndoRedo::RegisterCheckBoxChange(int ACol, int ARow, const QString& OldValue, const QString& NewValue) {
  const int before = FItems->Count();
  RegisterChange(ACol, ARow, OldValue, NewValue);
  // (An override of RegisterChange may have recorded nothing.)
  if (FItems->Count() > 0 && FItems->Count() >= before && FLevel == FItems->Count()) {
    TUndoRedoItem* item = Entry(FItems->Count() - 1);
    if (!item->IsMarker() && item->Col() == ACol && item->Row() == ARow) item->SetCheckBox(true);
  }
}

void TKitGridUndoRedo::StartSequence() {
  DropUndone();
  Append()->SetSequenceStart(true);
  FLevel = FItems->Count();
}

void TKitGridUndoRedo::StopSequence() {
  DropUndone();
  Append()->SetSequenceStop(true);
  FLevel = FItems->Count();
}

// Fires the event and writes the entry's text back (OrigValue when undoing,
// Value when redoing), through the check-box state where asked and the cell
// has a box, then makes the cell current.
void TKitGridUndoRedo::Restore(TUndoRedoItem* Item, bool Redoing, bool CheckBoxPath) {
  const int col = Item->Col();
  const int row = Item->Row();
  const QString text = Redoing ? Item->Value() : Item->OrigValue();
  const TKitGridUndoRedoEvent& event = Redoing ? OnRedo : OnUndo;
  if (event) event(this, FGridComponent, col, row, FGrid->UndoGetCell(col, row), text);
  if (!FGrid) return;  // the handler removed the grid
  if (CheckBoxPath && FGrid->UndoHasCellCheckBox(col, row)) FGrid->UndoSetCheckBoxText(col, row, text);
  else FGrid->UndoSetCell(col, row, text);
  FGrid->UndoSetCurrentCell(FGrid->UndoDisplColIndex(col), row);
}

void TKitGridUndoRedo::Undo() {
  if (!FGrid || FLevel <= 0 || FLevel > FItems->Count()) return;
  TUndoRedoItem* item = Entry(FLevel - 1);
  if (item->SequenceStop()) {
    --FLevel;
    while (FGrid && FLevel > 0 && !Entry(FLevel - 1)->SequenceStart()) {
      // A stop marker of a sequence recorded inside this one holds no change.
      if (!Entry(FLevel - 1)->IsMarker()) Restore(Entry(FLevel - 1), false, Entry(FLevel - 1)->CheckBox());
      --FLevel;
    }
    if (FLevel > 0) --FLevel;  // the start marker
    if (FGrid) FGrid->UndoInvalidate();
    return;
  }
  if (item->SequenceStart()) {  // an open sequence with nothing in it
    --FLevel;
    return;
  }
  Restore(item, false, true);
  if (FGrid) FGrid->UndoRepaintCell(FGrid->UndoCurrentCol(), item->Row());
  --FLevel;
}

void TKitGridUndoRedo::Redo() {
  if (!FGrid || FLevel >= FItems->Count()) return;
  ++FLevel;
  TUndoRedoItem* item = Entry(FLevel - 1);
  if (item->SequenceStart()) {
    ++FLevel;
    const int count = FItems->Count();
    while (FGrid && FLevel <= count && !Entry(FLevel - 1)->SequenceStop()) {
      if (!Entry(FLevel - 1)->IsMarker()) Restore(Entry(FLevel - 1), true, Entry(FLevel - 1)->CheckBox());
      ++FLevel;
    }
    // Just after the stop marker, or at the end of a sequence left open.
    if (FLevel > count) FLevel = count;
    if (FGrid) FGrid->UndoInvalidate();
    return;
  }
  if (item->SequenceStop()) return;  // a stop marker whose start was trimmed away
  Restore(item, true, true);
  if (FGrid) FGrid->UndoRepaintCell(FGrid->UndoCurrentCol(), item->Row());
}

void TKitGridUndoRedo::Reset() {
  FItems->Clear();
  FLevel = 0;
}
