#include <gtest/gtest.h>

#include <QStringList>
#include <memory>

#include "platform/rtl/Classes.h"
#include "tests/support/TestSupport.h"

// Test classes live at global scope so that ClassName() gives plain names.

// Records notifications and its own destruction in a shared log.
class TCompProbe : public TComponent {
 public:
  TCompProbe(TComponent* AOwner, const QString& AName, QStringList* ALog)
      : TComponent(AOwner), FLog(ALog) {
    SetName(AName);
  }
  ~TCompProbe() override { FLog->append(QStringLiteral("destroy ") + Name()); }

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    // A component is told of its own insertion before its constructor named
    // it; only removals are of interest here.
    if (Operation == opRemove) FLog->append(Name() + QStringLiteral(" heard -") + AComponent->Name());
  }

 private:
  QStringList* FLog;
};

class TAssignTarget : public TPersistent {
 public:
  int Value = 0;
};

// Knows how to copy itself into a TAssignTarget (the AssignTo route).
class TAssignSource : public TPersistent {
 public:
  int Value = 7;

 protected:
  void AssignTo(TPersistent* Dest) override {
    if (auto* target = dynamic_cast<TAssignTarget*>(Dest)) {
      target->Value = Value;
      return;
    }
    TPersistent::AssignTo(Dest);
  }
};

class TNamedOwner : public TPersistent {
 public:
  QString GetNamePath() const override { return QStringLiteral("Form1"); }
};

class TOwnedThing : public TPersistent {
 public:
  explicit TOwnedThing(TPersistent* AOwner) : FOwner(AOwner) {}
  TPersistent* GetOwner() const override { return FOwner; }

 private:
  TPersistent* FOwner;
};

namespace {

using testsupport::MessageOf;

TEST(TPersistentTest, AssignGoesThroughAssignToOrRaises) {
  TAssignSource source;
  TAssignTarget target;
  target.Assign(&source);
  EXPECT_EQ(target.Value, 7);

  EXPECT_EQ(MessageOf([&] { source.Assign(&target); }),
            "EConvertError: Cannot assign a TAssignTarget to a TAssignSource");
  EXPECT_EQ(MessageOf([&] { target.Assign(nullptr); }),
            "EConvertError: Cannot assign a nil to a TAssignTarget");
  TComponent component(nullptr);
  EXPECT_EQ(MessageOf([&] { component.Assign(&source); }),
            "EConvertError: Cannot assign a TAssignSource to a TComponent");
}

TEST(TPersistentTest, NamePathPrefixesTheOwnersPath) {
  TNamedOwner owner;
  TOwnedThing owned(&owner);
  TOwnedThing orphan(nullptr);
  EXPECT_EQ(owned.GetNamePath(), "Form1.TOwnedThing");
  EXPECT_EQ(orphan.GetNamePath(), "TOwnedThing");

  TComponent root(nullptr);
  root.SetName(QStringLiteral("MainForm"));
  EXPECT_EQ(root.GetNamePath(), "MainForm");
}

class TComponentTest : public ::testing::Test {
 protected:
  QStringList log;
  std::unique_ptr<TCompProbe> owner = std::make_unique<TCompProbe>(nullptr, "Owner", &log);
};

TEST_F(TComponentTest, OwnerDeletesItsComponentsLastFirstAndTellsTheRest) {
  new TCompProbe(owner.get(), "A", &log);
  new TCompProbe(owner.get(), "B", &log);
  new TCompProbe(owner.get(), "C", &log);
  ASSERT_EQ(owner->ComponentCount(), 3);
  owner.reset();

  QStringList destroyed;
  for (const QString& entry : log)
    if (entry.startsWith("destroy ")) destroyed << entry.mid(8);
  EXPECT_EQ(destroyed, QStringList({"Owner", "C", "B", "A"}));
  // Every removal is announced to the components still there.
  EXPECT_TRUE(log.contains("A heard -C"));
  EXPECT_TRUE(log.contains("B heard -C"));
  EXPECT_TRUE(log.contains("A heard -B"));
  EXPECT_LT(log.indexOf("A heard -C"), log.indexOf("destroy C"));
}

TEST_F(TComponentTest, DeletingAnOwnedComponentLeavesTheOwnerFirst) {
  auto* a = new TCompProbe(owner.get(), "A", &log);
  auto* b = new TCompProbe(owner.get(), "B", &log);
  delete a;
  ASSERT_EQ(owner->ComponentCount(), 1);
  EXPECT_EQ(owner->Components(0), b);
  EXPECT_TRUE(log.contains("B heard -A"));
  EXPECT_TRUE(log.contains("Owner heard -A"));
  owner.reset();  // deletes B only; A is not deleted twice
  EXPECT_EQ(log.count("destroy A"), 1);
  EXPECT_EQ(log.count("destroy B"), 1);
}

TEST_F(TComponentTest, ComponentsIsRangeChecked) {
  auto* a = new TCompProbe(owner.get(), "A", &log);
  EXPECT_EQ(owner->Components(0), a);
  for (int index : {-1, 1, 5})
    EXPECT_EQ(MessageOf([&] { owner->Components(index); }),
              QStringLiteral("EListError: List index out of bounds (%1)").arg(index));
}

TEST_F(TComponentTest, FindComponentIgnoresCase) {
  auto* button = new TCompProbe(owner.get(), "Button1", &log);
  new TCompProbe(owner.get(), "Label1", &log);
  EXPECT_EQ(owner->FindComponent("BUTTON1"), button);
  EXPECT_EQ(owner->FindComponent("button1"), button);
  EXPECT_EQ(owner->FindComponent("Button2"), nullptr);
  EXPECT_EQ(owner->FindComponent(""), nullptr);
}

TEST_F(TComponentTest, NamesMustBeIdentifiers) {
  auto* c = new TCompProbe(owner.get(), "", &log);
  for (const char* good : {"Edit1", "_x", "a_b_9", "\xC3\x89t\xC3\xA9", ""}) {
    const QString name = QString::fromUtf8(good);
    EXPECT_NO_THROW(c->SetName(name)) << good;
    EXPECT_EQ(c->Name(), name);
  }
  for (const char* bad : {"1abc", "a b", "a-b", "a.b", " x"}) {
    EXPECT_EQ(MessageOf([&] { c->SetName(QString::fromUtf8(bad)); }),
              QStringLiteral("EComponentError: ''%1'' is not a valid component name").arg(bad));
  }
  EXPECT_EQ(c->Name(), "");
}

TEST_F(TComponentTest, SiblingsCannotShareAName) {
  new TCompProbe(owner.get(), "Button1", &log);
  auto* other = new TCompProbe(owner.get(), "Button2", &log);
  EXPECT_EQ(MessageOf([&] { other->SetName("BUTTON1"); }),
            "EComponentError: A component named BUTTON1 already exists");
  EXPECT_EQ(other->Name(), "Button2");
  other->SetName("button2");  // a change of case of its own name is fine
  EXPECT_EQ(other->Name(), "button2");
  // Unowned components are not compared with anything.
  TComponent loose(nullptr);
  EXPECT_NO_THROW(loose.SetName("Button1"));
  // Nor is a duplicate let in by insertion.
  EXPECT_EQ(MessageOf([&] { owner->InsertComponent(&loose); }),
            "EComponentError: A component named Button1 already exists");
  EXPECT_EQ(loose.Owner(), nullptr);
}

TEST_F(TComponentTest, InsertAndRemoveComponentMoveOwnership) {
  auto* a = new TCompProbe(owner.get(), "A", &log);
  TCompProbe other(nullptr, "Other", &log);
  other.InsertComponent(a);  // taken from its first owner
  EXPECT_EQ(a->Owner(), &other);
  EXPECT_EQ(owner->ComponentCount(), 0);
  EXPECT_EQ(other.ComponentCount(), 1);
  EXPECT_TRUE(log.contains("Owner heard -A"));

  other.RemoveComponent(a);
  EXPECT_EQ(a->Owner(), nullptr);
  EXPECT_EQ(other.ComponentCount(), 0);
  std::unique_ptr<TCompProbe> held(a);  // now the caller's

  owner->RemoveComponent(held.get());  // not its owner: nothing happens
  EXPECT_EQ(held->Owner(), nullptr);
}

TEST_F(TComponentTest, ComponentIndexMovesWithinTheOwner) {
  auto* a = new TCompProbe(owner.get(), "A", &log);
  auto* b = new TCompProbe(owner.get(), "B", &log);
  auto* c = new TCompProbe(owner.get(), "C", &log);
  EXPECT_EQ(b->ComponentIndex(), 1);
  c->SetComponentIndex(0);
  EXPECT_EQ(owner->Components(0), c);
  EXPECT_EQ(owner->Components(1), a);
  EXPECT_EQ(owner->Components(2), b);
  EXPECT_EQ(owner->ComponentIndex(), -1);
}

TEST_F(TComponentTest, FreeNotificationReachesUnrelatedComponents) {
  auto watched = std::make_unique<TCompProbe>(nullptr, "Watched", &log);
  auto watcher = std::make_unique<TCompProbe>(nullptr, "Watcher", &log);
  watched->FreeNotification(watcher.get());
  EXPECT_TRUE(watched->ComponentState().Contains(csFreeNotification));
  watched.reset();
  EXPECT_TRUE(log.contains("Watcher heard -Watched"));
  EXPECT_FALSE(watcher->ComponentState().Contains(csFreeNotification));
  log.clear();
  watcher.reset();  // must not reach the component that is gone
  EXPECT_EQ(log, QStringList({"destroy Watcher"}));
}

TEST_F(TComponentTest, FreeNotificationWorksBothWaysAndCanBeWithdrawn) {
  auto first = std::make_unique<TCompProbe>(nullptr, "First", &log);
  auto second = std::make_unique<TCompProbe>(nullptr, "Second", &log);
  first->FreeNotification(second.get());
  second.reset();
  EXPECT_TRUE(log.contains("First heard -Second"));

  auto third = std::make_unique<TCompProbe>(nullptr, "Third", &log);
  first->FreeNotification(third.get());
  first->RemoveFreeNotification(third.get());
  log.clear();
  third.reset();
  first.reset();
  EXPECT_EQ(log, QStringList({"destroy Third", "destroy First"}));
}

TEST_F(TComponentTest, StateTagAndDestroyingFlag) {
  auto* a = new TCompProbe(owner.get(), "A", &log);
  EXPECT_TRUE(a->ComponentState().Empty());
  a->SetComponentStateFlag(csLoading, true);
  a->SetComponentStateFlag(csReading, true);
  EXPECT_EQ(a->ComponentState(), (TComponentState{csLoading, csReading}));
  a->Loaded();
  EXPECT_EQ(a->ComponentState(), TComponentState{csReading});
  owner->SetDesigning(true);
  EXPECT_TRUE(a->ComponentState().Contains(csDesigning));
  owner->Destroying();
  EXPECT_TRUE(a->ComponentState().Contains(csDestroying));
  a->SetTag(-42);
  EXPECT_EQ(a->Tag(), -42);
}

}  // namespace

namespace {

TEST(TClassesReflectionTest, ComponentsPublishNameAndTag) {
  TComponent owner(nullptr);
  const TClassInfo* info = FindClass("tcomponent");
  ASSERT_EQ(info, ClassInfo<TComponent>());
  auto* child = dynamic_cast<TComponent*>(info->CreateOwned(&owner));
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(child->Owner(), &owner);

  SetStrProp(child, "Name", "Child1");
  SetInt64Prop(child, "Tag", 12);
  EXPECT_EQ(child->Name(), "Child1");
  EXPECT_EQ(GetInt64Prop(child, "Tag"), 12);
  EXPECT_EQ(MessageOf([&] { SetStrProp(child, "Name", "9lives"); }),
            "EComponentError: ''9lives'' is not a valid component name");
  EXPECT_FALSE(IsStoredProp(child, "Name"));

  for (const char* name : {"TPersistent", "TCollection", "TOwnedCollection", "TCollectionItem", "TStrings",
                           "TStringList", "TList", "TObjectList"})
    EXPECT_NE(GetClass(name), nullptr) << name;
  std::unique_ptr<TObject> list = FindClass("TStringList")->Create();
  EXPECT_NE(dynamic_cast<TStringList*>(list.get()), nullptr);
  EXPECT_EQ(GetClass("TStringList")->ClassParent(), ClassInfo<TStrings>());
}

}  // namespace
