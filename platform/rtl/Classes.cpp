// TPersistent, TComponent and TCollection.

#include "platform/rtl/Classes.h"

#include "platform/rtl/ClassesPrivate.h"

using classes_detail::RaiseIndexError;

// ---------------------------------------------------------------------------
// Published tables of the classes of this unit

TF_PUBLISHED(TPersistent, TObject) { return TPublished<TPersistent>(); }

TF_PUBLISHED(TComponent, TPersistent) {
  return TPublished<TComponent>()
      .String("Name", &TComponent::Name, &TComponent::SetName)
      .Stored(false)
      .Int64("Tag", &TComponent::Tag, &TComponent::SetTag)
      .Default(0);
}

TF_PUBLISHED(TCollectionItem, TPersistent) { return TPublished<TCollectionItem>(); }
TF_PUBLISHED(TCollection, TPersistent) { return TPublished<TCollection>(); }
TF_PUBLISHED(TOwnedCollection, TCollection) { return TPublished<TOwnedCollection>(); }
TF_PUBLISHED(TStrings, TPersistent) { return TPublished<TStrings>(); }
TF_PUBLISHED(TStringList, TStrings) { return TPublished<TStringList>(); }
TF_PUBLISHED(TList, TObject) { return TPublished<TList>(); }
TF_PUBLISHED(TObjectList, TList) { return TPublished<TObjectList>(); }

// ---------------------------------------------------------------------------
// TPersistent

void TPersistent::Assign(TPersistent* Source) {
  if (Source == nullptr) AssignError(nullptr);
  Source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* Dest) { Dest->AssignError(this); }

void TPersistent::AssignError(const TPersistent* Source) const {
  const QString sourceName = Source != nullptr ? Source->ClassName() : QStringLiteral("nil");
  throw EConvertError(MessageText(RtlConsts::SAssignError, {sourceName, ClassName()}));
}

QString TPersistent::GetNamePath() const {
  QString result = ClassName();
  if (TPersistent* owner = GetOwner()) {
    const QString ownerPath = owner->GetNamePath();
    if (!ownerPath.isEmpty()) result = ownerPath + u'.' + result;
  }
  return result;
}

// ---------------------------------------------------------------------------
// TComponent

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner != nullptr) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  RemoveFreeNotifications();
  DestroyComponents();
  if (FOwner != nullptr) FOwner->RemoveComponent(this);
}

void TComponent::Destroying() {
  if (FComponentState.Contains(csDestroying)) return;
  FComponentState.Include(csDestroying);
  for (TComponent* child : FComponents) child->Destroying();
}

void TComponent::DestroyComponents() {
  while (!FComponents.isEmpty()) {
    TComponent* instance = FComponents.last();
    // Taking it out first tells the remaining components, and keeps its own
    // destructor from coming back to this list.
    RemoveComponent(instance);
    delete instance;
  }
}

void TComponent::SetName(const QString& NewName) {
  if (FName == NewName) return;
  if (!NewName.isEmpty() && !IsValidIdent(NewName))
    throw EComponentError(MessageText(RtlConsts::SInvalidName, {NewName}));
  if (FOwner != nullptr)
    FOwner->ValidateRename(this, FName, NewName);
  else
    ValidateRename(nullptr, FName, NewName);
  FName = NewName;
}

void TComponent::ValidateRename(TComponent* AComponent, const QString& CurName,
                                const QString& NewName) {
  if (AComponent != nullptr && CurName.compare(NewName, Qt::CaseInsensitive) != 0 &&
      AComponent->FOwner == this && FindComponent(NewName) != nullptr)
    throw EComponentError(MessageText(RtlConsts::SDuplicateName, {NewName}));
  if (FComponentState.Contains(csDesigning) && FOwner != nullptr)
    FOwner->ValidateRename(AComponent, CurName, NewName);
}

TComponent* TComponent::Components(int Index) const {
  if (Index < 0 || Index >= ComponentCount()) RaiseIndexError<EListError>(Index);
  return FComponents.at(Index);
}

int TComponent::ComponentIndex() const {
  return FOwner != nullptr ? static_cast<int>(FOwner->FComponents.indexOf(this)) : -1;
}

void TComponent::SetComponentIndex(int Value) {
  if (FOwner == nullptr) return;
  const int current = ComponentIndex();
  if (current < 0) return;
  const int last = FOwner->ComponentCount() - 1;
  if (Value < 0) Value = 0;
  if (Value > last) Value = last;
  if (Value != current) FOwner->FComponents.move(current, Value);
}

TComponent* TComponent::FindComponent(const QString& AName) const {
  if (AName.isEmpty()) return nullptr;
  for (TComponent* child : FComponents)
    if (child->FName.compare(AName, Qt::CaseInsensitive) == 0) return child;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (AComponent == nullptr || AComponent->FOwner == this) return;
  if (!AComponent->FName.isEmpty() && FindComponent(AComponent->FName) != nullptr)
    throw EComponentError(MessageText(RtlConsts::SDuplicateName, {AComponent->FName}));
  // A component has one owner: leaving the old one keeps both from deleting it.
  if (AComponent->FOwner != nullptr) AComponent->FOwner->RemoveComponent(AComponent);
  FComponents.append(AComponent);
  AComponent->FOwner = this;
  if (FComponentState.Contains(csDesigning)) AComponent->SetDesigning(true);
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  if (AComponent == nullptr || AComponent->FOwner != this) return;
  Notification(AComponent, opRemove);
  FComponents.removeOne(AComponent);
  AComponent->FOwner = nullptr;
  AComponent->SetDesigning(false);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent != nullptr) RemoveFreeNotification(AComponent);
  // Last first; an override may delete components, so the index is kept
  // inside the list after every call.
  qsizetype i = FComponents.size() - 1;
  while (i >= 0) {
    FComponents.at(i)->Notification(AComponent, Operation);
    --i;
    if (i >= FComponents.size()) i = FComponents.size() - 1;
  }
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (AComponent == nullptr || AComponent == this) return;
  // Siblings hear of each other's removal through their owner already.
  if (FOwner == nullptr || AComponent->FOwner != FOwner) {
    if (!FFreeNotifies.contains(AComponent)) {
      FFreeNotifies.append(AComponent);
      AComponent->FreeNotification(this);
    }
  }
  FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (AComponent == nullptr) return;
  RemoveNotification(AComponent);
  AComponent->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* AComponent) {
  FFreeNotifies.removeAll(AComponent);
  if (FFreeNotifies.isEmpty()) FComponentState.Exclude(csFreeNotification);
}

void TComponent::RemoveFreeNotifications() {
  // The link is undone before the notice, so an override that does not call
  // the inherited Notification cannot keep this loop going.
  while (!FFreeNotifies.isEmpty()) {
    TComponent* other = FFreeNotifies.takeLast();
    other->RemoveNotification(this);
    other->Notification(this, opRemove);
  }
  FComponentState.Exclude(csFreeNotification);
}

void TComponent::SetComponentStateFlag(TComponentStateItem Flag, bool Value) {
  if (Value)
    FComponentState.Include(Flag);
  else
    FComponentState.Exclude(Flag);
}

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

void TComponent::SetDesigning(bool Value, bool SetChildren) {
  SetComponentStateFlag(csDesigning, Value);
  if (SetChildren)
    for (TComponent* child : FComponents) child->SetDesigning(Value, true);
}

void TComponent::SetInline(bool Value) { SetComponentStateFlag(csInline, Value); }

void TComponent::SetDesignInstance(bool Value) { SetComponentStateFlag(csDesignInstance, Value); }

// ---------------------------------------------------------------------------
// TCollectionItem

TCollectionItem::TCollectionItem(TCollection* Collection) {
  if (Collection != nullptr) Collection->InsertItem(this);
}

TCollectionItem::~TCollectionItem() {
  if (FCollection != nullptr) FCollection->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* Value) {
  if (FCollection == Value) return;
  if (FCollection != nullptr) FCollection->RemoveItem(this);
  if (Value != nullptr) Value->InsertItem(this);
}

int TCollectionItem::Index() const {
  return FCollection != nullptr ? static_cast<int>(FCollection->FItems.indexOf(this)) : -1;
}

void TCollectionItem::SetIndex(int Value) {
  const int current = Index();
  if (current < 0 || current == Value) return;
  FCollection->CheckIndex(Value);
  FCollection->FItems.move(current, Value);
  Changed(true);
}

void TCollectionItem::SetDisplayName(const QString& Value) { Changed(false); }

void TCollectionItem::Changed(bool AllItems) {
  if (FCollection != nullptr && FCollection->FUpdateCount == 0)
    FCollection->Update(AllItems ? nullptr : this);
}

QString TCollectionItem::GetNamePath() const {
  if (FCollection == nullptr) return ClassName();
  return FCollection->GetNamePath() + u'[' + QString::number(Index()) + u']';
}

TPersistent* TCollectionItem::GetOwner() const { return FCollection; }

// ---------------------------------------------------------------------------
// TCollection

TCollection::TCollection(TCollectionItemClass ItemClass) : FItemClass(std::move(ItemClass)) {}

TCollection::~TCollection() {
  // No Update while the collection goes away.
  FUpdateCount = 1;
  while (!FItems.isEmpty()) {
    TCollectionItem* item = FItems.last();
    RemoveItem(item);
    delete item;
  }
}

void TCollection::CheckIndex(int Index) const {
  if (Index < 0 || Index >= Count()) RaiseIndexError<EListError>(Index);
}

TCollectionItem* TCollection::Add() {
  if (!FItemClass) throw EInvalidOperation(QString::fromUtf8(RtlConsts::SInvalidOperation));
  // The item enters the list from its base constructor; its announcement
  // waits until the whole item is built. An item whose constructor adds
  // further items to this collection nests here, hence the saved state.
  const bool savedDefer = FDeferAnnounce;
  TCollectionItem* const savedPending = FUnannounced;
  FDeferAnnounce = true;
  FUnannounced = nullptr;
  TCollectionItem* item = nullptr;
  try {
    item = FItemClass(this);
  } catch (...) {
    FDeferAnnounce = savedDefer;
    FUnannounced = savedPending;
    throw;
  }
  TCollectionItem* const pending = FUnannounced;
  FDeferAnnounce = savedDefer;
  FUnannounced = savedPending;
  if (item == nullptr) throw EInvalidOperation(QString::fromUtf8(RtlConsts::SInvalidOperation));
  if (item->FCollection != this)
    item->SetCollection(this);  // a factory that left the item outside
  else if (pending == item)
    Announce(item);
  return item;
}

TCollectionItem* TCollection::Insert(int Index) {
  if (Index < 0 || Index > Count()) RaiseIndexError<EListError>(Index);
  TCollectionItem* item = Add();
  item->SetIndex(Index);
  return item;
}

void TCollection::Delete(int Index) {
  CheckIndex(Index);
  TCollectionItem* item = FItems.at(Index);
  Notify(item, cnDeleting);
  // Taken out before it is deleted, so that the extracting notice still sees
  // the whole item (its destructor then finds it outside any collection).
  RemoveItem(item);
  delete item;
}

void TCollection::Clear() {
  if (FItems.isEmpty()) return;
  BeginUpdate();
  try {
    while (!FItems.isEmpty()) Delete(Count() - 1);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TCollectionItem* TCollection::Items(int Index) const {
  CheckIndex(Index);
  return FItems.at(Index);
}

void TCollection::SetItems(int Index, TCollectionItem* Value) { Items(Index)->Assign(Value); }

TCollectionItem* TCollection::FindItemID(int ID) const {
  for (TCollectionItem* item : FItems)
    if (item->FID == ID) return item;
  return nullptr;
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  Changed();
}

void TCollection::Changed() {
  if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TCollection*>(Source)) {
    if (source == this) return;
    BeginUpdate();
    try {
      Clear();
      for (TCollectionItem* item : source->FItems) Add()->Assign(item);
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
    return;
  }
  TPersistent::Assign(Source);
}

QString TCollection::GetNamePath() const {
  const QString result = ClassName();
  TPersistent* owner = GetOwner();
  if (owner == nullptr) return result;
  const QString ownerPath = owner->GetNamePath();
  if (ownerPath.isEmpty() || FPropName.isEmpty()) return result;
  return ownerPath + u'.' + FPropName;
}

void TCollection::InsertItem(TCollectionItem* Item) {
  FItems.append(Item);
  Item->FCollection = this;
  Item->FID = FNextID++;
  if (FDeferAnnounce && FUnannounced == nullptr) {
    FUnannounced = Item;
    return;
  }
  Announce(Item);
}

void TCollection::Announce(TCollectionItem* Item) {
  Notify(Item, cnAdded);
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
  if (Item == FUnannounced) {
    // Taken out while still being built (its constructor failed): it was
    // never announced, so it is not reported as leaving either.
    FUnannounced = nullptr;
    FItems.removeOne(Item);
    Item->FCollection = nullptr;
    return;
  }
  Notify(Item, cnExtracting);
  // Searched from the end: emptying a collection from its last item (Clear,
  // Delete(Count - 1)) then costs one step per item, not a pass over all.
  if (const qsizetype at = FItems.lastIndexOf(Item); at >= 0) FItems.removeAt(at);
  Item->FCollection = nullptr;
  Changed();
}
