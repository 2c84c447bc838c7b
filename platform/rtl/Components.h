#pragma once
// TComponent: a named object that can own other components. An owner deletes
// what it owns when it dies (last first); a component deleted on its own is
// first taken out of its owner, so nothing is deleted twice. Components
// created without an owner are held by a std::unique_ptr.

#include <QList>
#include <QString>
#include <functional>

#include "platform/rtl/Persistent.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/System.h"

enum TOperation { opInsert, opRemove };

enum TComponentStateItem {
  csLoading,
  csReading,
  csWriting,
  csDestroying,
  csDesigning,
  csAncestor,
  csUpdating,
  csFixups,
  csFreeNotification,
  csInline,
  csDesignInstance
};
using TComponentState = TSet<TComponentStateItem>;

class TComponent;
// Called by GetChildren with each child component to be streamed.
using TGetChildProc = std::function<void(TComponent* Child)>;

// Published: Name (not stored: the streaming writer handles it) and Tag.
class TComponent : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TComponent)
  // Inserts the new component into AOwner's list when AOwner is given.
  explicit TComponent(TComponent* AOwner);
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;
  // Tells every component that asked for a free notification, deletes the
  // owned components (last first, each removal notified to the rest) and
  // leaves the owner's list.
  ~TComponent() override;

  TComponent* Owner() const { return FOwner; }

  const QString& Name() const { return FName; }
  // Raises EComponentError "''<name>'' is not a valid component name" for a
  // name that is not an identifier (a letter or "_" followed by letters,
  // digits and "_"; the empty name is allowed) and
  // "A component named <name> already exists" when a sibling has it
  // (compared without case).
  virtual void SetName(const QString& NewName);

  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  // Raises EListError "List index out of bounds (<index>)".
  TComponent* Components(int Index) const;
  // Position in the owner's list, -1 without an owner.
  int ComponentIndex() const;
  void SetComponentIndex(int Value);
  // The owned component with that name (compared without case), or nullptr.
  TComponent* FindComponent(const QString& AName) const;

  // Makes this component the owner of AComponent (taking it from its current
  // owner first) and notifies opInsert. Raises the duplicate-name error when
  // a component owned here already has AComponent's name.
  void InsertComponent(TComponent* AComponent);
  // Notifies opRemove and takes AComponent out of this component's list; the
  // component is not deleted. Ignored for a component owned by another.
  void RemoveComponent(TComponent* AComponent);
  // Deletes every owned component, last first.
  void DestroyComponents();
  // Marks this component and everything it owns as being destroyed
  // (csDestroying). Descendants may call it first thing in their destructor.
  void Destroying();

  // Asks for Notification(this, opRemove) on AComponent when this component
  // dies, and the other way round, whether or not one owns the other.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  TComponentState ComponentState() const { return FComponentState; }
  // Sets or clears one state flag. Used by the component reader and writer
  // (csLoading, csReading, csWriting, csFixups, csAncestor).
  void SetComponentStateFlag(TComponentStateItem Flag, bool Value);

  NativeInt Tag() const { return FTag; }
  void SetTag(NativeInt Value) { FTag = Value; }

  // A component's path is its name.
  QString GetNamePath() const override { return FName; }
  TPersistent* GetOwner() const override { return FOwner; }

  // Called after the component was read from a stream: clears csLoading.
  virtual void Loaded();

  // Component streaming. GetChildren calls Proc with every component that is
  // written inside this one; the base version hands over the owned
  // components in order (a class that owns internal parts it builds itself
  // leaves those out). Children read back are created with GetChildOwner as
  // their owner, this component unless a descendant says otherwise.
  virtual void GetChildren(const TGetChildProc& Proc, TComponent* Root);
  virtual TComponent* GetChildOwner() { return this; }
  // Read or write this component's properties and children; the base
  // versions hand the work to the reader's ReadData and the writer's
  // WriteData.
  virtual void ReadState(TReader* Reader);
  virtual void WriteState(TWriter* Writer);
  void Updating() { FComponentState.Include(csUpdating); }
  void Updated() { FComponentState.Exclude(csUpdating); }
  void SetDesigning(bool Value, bool SetChildren = true);
  void SetInline(bool Value);
  void SetDesignInstance(bool Value);

 protected:
  // Told when AComponent is inserted into or removed from the owner, or when
  // a component this one asked for a free notification dies. The base
  // version forgets a dying component's free notification and passes the
  // notice on to every owned component; overrides call it.
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  // Raises the duplicate-name error when a component owned by this one
  // would get a name a sibling already has.
  virtual void ValidateRename(TComponent* AComponent, const QString& CurName,
                              const QString& NewName);

 private:
  void RemoveNotification(TComponent* AComponent);
  void RemoveFreeNotifications();

  TComponent* FOwner = nullptr;
  QString FName;
  NativeInt FTag = 0;
  QList<TComponent*> FComponents;   // owned, deleted by DestroyComponents
  QList<TComponent*> FFreeNotifies;  // not owned
  TComponentState FComponentState;
};

// Components are created by class name with their owner (see TypInfo.h).
TComponent* TypInfoOwnerClass(TComponent*);
