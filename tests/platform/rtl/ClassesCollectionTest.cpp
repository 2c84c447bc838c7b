#include <gtest/gtest.h>

#include <QStringList>
#include <memory>

#include "platform/rtl/Classes.h"
#include "tests/support/TestSupport.h"

class TColItem : public TCollectionItem {
 public:
  explicit TColItem(TCollection* Collection) : TCollectionItem(Collection) {}
  QString Caption = QStringLiteral("built");

  void Assign(TPersistent* Source) override {
    if (auto* item = dynamic_cast<TColItem*>(Source)) {
      Caption = item->Caption;
      return;
    }
    TCollectionItem::Assign(Source);
  }
  void Touch(bool AllItems) { Changed(AllItems); }
};

class TNamedColItem : public TColItem {
 public:
  using TColItem::TColItem;
  QString DisplayName() const override { return Caption; }
};

// Records what the collection is told, with the state of each item then.
class TRecordingCollection : public TCollection {
 public:
  TRecordingCollection() : TCollection(CollectionItemClassOf<TColItem>()) {}
  ~TRecordingCollection() override { Clear(); }
  QStringList Log;

 protected:
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override {
    static const char* names[] = {"added", "extracting", "deleting"};
    auto* item = dynamic_cast<TColItem*>(Item);
    Log << QStringLiteral("%1 #%2 %3").arg(names[Action]).arg(Item->ID()).arg(item ? item->Caption : "unbuilt");
  }
  void Update(TCollectionItem* Item) override {
    Log << (Item ? QStringLiteral("update #%1").arg(Item->ID()) : QStringLiteral("update all"));
  }
};

class TPanelOwner : public TComponent {
 public:
  TPanelOwner() : TComponent(nullptr) {
    SetName("Panel1");
    Items->SetPropName("Items");
  }
  std::unique_ptr<TOwnedCollection> Items = TOwnedCollection::Create<TColItem>(this);
};

namespace {

using testsupport::MessageOf;

QStringList Captions(const TCollection& c) {
  QStringList result;
  for (int i = 0; i < c.Count(); ++i) result << static_cast<TColItem*>(c.Items(i))->Caption;
  return result;
}

TEST(TCollectionTest, AddInsertDeleteAndIDs) {
  auto items = TCollection::Create<TColItem>();
  for (const char* caption : {"a", "b", "c"}) static_cast<TColItem*>(items->Add())->Caption = caption;
  static_cast<TColItem*>(items->Insert(1))->Caption = "x";
  EXPECT_EQ(Captions(*items), QStringList({"a", "x", "b", "c"}));
  EXPECT_EQ(items->Items(1)->ID(), 3);
  EXPECT_EQ(items->Items(1)->Index(), 1);
  EXPECT_EQ(items->Items(0)->Collection(), items.get());

  items->Delete(0);
  EXPECT_EQ(Captions(*items), QStringList({"x", "b", "c"}));
  EXPECT_EQ(items->FindItemID(2), items->Items(2));
  EXPECT_EQ(items->FindItemID(0), nullptr);
  EXPECT_EQ(items->Add()->ID(), 4);  // IDs are not reused
  items->Clear();
  EXPECT_EQ(items->Count(), 0);
}

TEST(TCollectionTest, IndexesAreRangeChecked) {
  auto items = TCollection::Create<TColItem>();
  items->Add();
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"Items(-1)", [&] { items->Items(-1); }},
      {"Items(1)", [&] { items->Items(1); }},
      {"Delete(1)", [&] { items->Delete(1); }},
      {"Insert(2)", [&] { items->Insert(2); }},
      {"SetIndex(3)", [&] { items->Items(0)->SetIndex(3); }},
  };
  for (const auto& [name, action] : cases) {
    const QString message = MessageOf(action);
    EXPECT_TRUE(message.startsWith("EListError: List index out of bounds (")) << name << ": " << message.toStdString();
  }
  EXPECT_EQ(items->Count(), 1);  // a refused Insert adds nothing
}

TEST(TCollectionTest, SetIndexAndSetCollectionMoveItems) {
  auto first = TCollection::Create<TColItem>();
  auto second = TCollection::Create<TColItem>();
  for (const char* caption : {"a", "b", "c"}) static_cast<TColItem*>(first->Add())->Caption = caption;
  first->Items(2)->SetIndex(0);
  EXPECT_EQ(Captions(*first), QStringList({"c", "a", "b"}));

  first->Items(1)->SetCollection(second.get());
  EXPECT_EQ(Captions(*first), QStringList({"c", "b"}));
  EXPECT_EQ(Captions(*second), QStringList({"a"}));

  TCollectionItem* loose = second->Items(0);
  loose->SetCollection(nullptr);
  EXPECT_EQ(second->Count(), 0);
  EXPECT_EQ(loose->Index(), -1);
  std::unique_ptr<TCollectionItem> held(loose);  // the caller's now
  EXPECT_EQ(held->GetNamePath(), "TColItem");
}

TEST(TCollectionTest, NotificationsComeWithFullyBuiltItems) {
  TRecordingCollection items;
  items.Add();
  items.Add();
  EXPECT_EQ(items.Log, QStringList({"added #0 built", "update all", "added #1 built", "update all"}));

  items.Log.clear();
  items.Delete(0);
  EXPECT_EQ(items.Log, QStringList({"deleting #0 built", "extracting #0 built", "update all"}));

  items.Log.clear();
  delete items.Items(0);  // an item deleted on its own leaves the collection
  ASSERT_EQ(items.Log.size(), 2);
  EXPECT_TRUE(items.Log[0].startsWith("extracting #1"));
  EXPECT_EQ(items.Log[1], "update all");
  EXPECT_EQ(items.Count(), 0);
}

TEST(TCollectionTest, UpdatesWaitForTheOutermostEndUpdate) {
  TRecordingCollection items;
  auto* item = static_cast<TColItem*>(items.Add());
  items.Log.clear();
  item->Touch(false);
  item->Touch(true);
  EXPECT_EQ(items.Log, QStringList({QStringLiteral("update #%1").arg(item->ID()), "update all"}));

  items.Log.clear();
  items.BeginUpdate();
  items.BeginUpdate();
  items.Add();
  item->Touch(false);
  items.EndUpdate();
  EXPECT_EQ(items.Log, QStringList({"added #1 built"}));
  items.EndUpdate();
  EXPECT_EQ(items.Log, QStringList({"added #1 built", "update all"}));
  EXPECT_EQ(items.UpdateCount(), 0);
}

TEST(TCollectionTest, AssignCopiesEveryItem) {
  auto source = TCollection::Create<TColItem>();
  for (const char* caption : {"one", "two"}) static_cast<TColItem*>(source->Add())->Caption = caption;
  auto copy = TCollection::Create<TColItem>();
  copy->Add();
  copy->Assign(source.get());
  EXPECT_EQ(Captions(*copy), QStringList({"one", "two"}));

  TComponent component(nullptr);
  EXPECT_EQ(MessageOf([&] { copy->Assign(&component); }),
            "EConvertError: Cannot assign a TComponent to a TCollection");
  EXPECT_EQ(MessageOf([&] { copy->Items(0)->Assign(&component); }),
            "EConvertError: Cannot assign a TComponent to a TColItem");
}

TEST(TCollectionTest, OwnedCollectionNamesAndDisplayNames) {
  TPanelOwner panel;
  TCollectionItem* item = panel.Items->Add();
  EXPECT_EQ(panel.Items->Owner(), &panel);
  EXPECT_EQ(item->GetOwner(), panel.Items.get());
  EXPECT_EQ(panel.Items->GetNamePath(), "Panel1.Items");
  EXPECT_EQ(item->GetNamePath(), "Panel1.Items[0]");
  EXPECT_EQ(item->DisplayName(), "TColItem");

  auto plain = TCollection::Create<TNamedColItem>();
  auto* named = static_cast<TNamedColItem*>(plain->Add());
  named->Caption = "Gradient stop";
  EXPECT_EQ(plain->GetNamePath(), "TCollection");
  EXPECT_EQ(named->DisplayName(), "Gradient stop");
}

}  // namespace
