// Generic lists and dictionaries: their published names, list and
// dictionary operations, index and key errors, ownership of objects, and the
// untyped faces that object persistence uses.

#include <gtest/gtest.h>

#include <functional>

#include "platform/rtl/GenericsCollections.h"
#include "platform/rtl/Persistent.h"
#include "tests/support/TestSupport.h"

using namespace Generics::Collections;

// Counts its destructions, so tests see which objects a container freed.
class TGenProbe : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TGenProbe)
  static inline int Freed = 0;
  TGenProbe() = default;
  explicit TGenProbe(int AValue) : FValue(AValue) {}
  ~TGenProbe() override { ++Freed; }
  int32_t FValue = 0;
};
TF_PUBLISHED(TGenProbe, TPersistent) {
  return TPublished<TGenProbe>().Integer("Value", &TGenProbe::FValue, &TGenProbe::FValue);
}

class TGenOther : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TGenOther)
};
TF_PUBLISHED(TGenOther, TPersistent) { return TPublished<TGenOther>(); }

namespace {

using testsupport::ErrorOf;

class GenericsTest : public ::testing::Test {
 protected:
  void SetUp() override { TGenProbe::Freed = 0; }
};

}  // namespace

TEST_F(GenericsTest, EveryInstantiationIsPublishedUnderTheFrameworksName) {
  struct Case {
    std::function<std::unique_ptr<TObject>()> make;
    const TClassInfo* info;
    QString name;
    QString parent;
  };
  const Case cases[] = {
      {[] { return std::make_unique<TList<QString>>(); }, ClassInfo<TList<QString>>(), "TList<System.string>",
       "TObject"},
      {[] { return std::make_unique<TList<int32_t>>(); }, ClassInfo<TList<int32_t>>(), "TList<System.Integer>",
       "TObject"},
      {[] { return std::make_unique<TList<double>>(); }, ClassInfo<TList<double>>(), "TList<System.Double>",
       "TObject"},
      {[] { return std::make_unique<TList<TGenProbe*>>(); }, ClassInfo<TList<TGenProbe*>>(), "TList<TGenProbe>",
       "TObject"},
      {[] { return std::make_unique<TObjectList<TGenProbe>>(); }, ClassInfo<TObjectList<TGenProbe>>(),
       "TObjectList<TGenProbe>", "TList<TGenProbe>"},
      {[] { return std::make_unique<TDictionary<QString, TGenProbe*>>(); },
       ClassInfo<TDictionary<QString, TGenProbe*>>(), "TDictionary<System.string,TGenProbe>", "TObject"},
      {[] { return std::make_unique<TObjectDictionary<QString, TGenProbe>>(); },
       ClassInfo<TObjectDictionary<QString, TGenProbe>>(), "TObjectDictionary<System.string,TGenProbe>",
       "TDictionary<System.string,TGenProbe>"},
  };
  for (const Case& c : cases) {
    std::unique_ptr<TObject> object = c.make();
    EXPECT_EQ(object->ClassName(), c.name);
    EXPECT_EQ(c.info->ClassName(), c.name);
    EXPECT_EQ(c.info->ClassParent()->ClassName(), c.parent) << c.name.toStdString();
    EXPECT_EQ(ClassInfoOf(object.get()), c.info) << c.name.toStdString();
    // Registered by name, and made again by it.
    ASSERT_EQ(GetClass(c.name), c.info) << c.name.toStdString();
    std::unique_ptr<TObject> made = GetClass(c.name)->Create();
    EXPECT_EQ(made->ClassName(), c.name);
  }
}

TEST_F(GenericsTest, ListOperationsAndIndexErrors) {
  TList<QString> list;
  EXPECT_EQ(list.Add(u"b"_qs), 0);
  EXPECT_EQ(list.Add(u"d"_qs), 1);
  list.Insert(0, u"a"_qs);
  list.Insert(2, u"c"_qs);
  list.Insert(4, u"e"_qs);
  EXPECT_EQ(QStringList(list.begin(), list.end()), QStringList({"a", "b", "c", "d", "e"}));
  EXPECT_EQ(list.IndexOf(u"c"_qs), 2);
  EXPECT_TRUE(list.Contains(u"e"_qs));
  EXPECT_EQ(list.Remove(u"c"_qs), 2);
  EXPECT_EQ(list.Remove(u"zz"_qs), -1);
  list.Delete(0);
  list.SetItems(0, u"B"_qs);
  EXPECT_EQ(list.Extract(u"d"_qs), u"d"_qs);
  EXPECT_EQ(list.First(), u"B"_qs);
  EXPECT_EQ(list.Last(), u"e"_qs);
  EXPECT_EQ(list.Count(), 2);

  struct Case {
    const char* what;
    std::function<void()> action;
    QString message;
  };
  TList<int32_t> ints;
  ints.Add(1);
  const Case cases[] = {
      {"read below", [&] { ints.Items(-1); }, "List index out of bounds (-1)"},
      {"read past", [&] { ints.Items(1); }, "List index out of bounds (1)"},
      {"write past", [&] { ints.SetItems(1, 0); }, "List index out of bounds (1)"},
      {"insert past", [&] { ints.Insert(2, 0); }, "List index out of bounds (2)"},
      {"insert below", [&] { ints.Insert(-1, 0); }, "List index out of bounds (-1)"},
      {"delete past", [&] { ints.Delete(1); }, "List index out of bounds (1)"},
      {"first of none", [] { TList<double>().First(); }, "List index out of bounds (0)"},
      {"last of none", [] { TList<double>().Last(); }, "List index out of bounds (-1)"},
  };
  for (const Case& c : cases) EXPECT_EQ(ErrorOf<EListError>(c.action), c.message) << c.what;
  EXPECT_EQ(ints.Count(), 1);
}

TEST_F(GenericsTest, ObjectListsFreeWhatTheyLetGo) {
  auto* kept = new TGenProbe(1);
  auto* second = new TGenProbe(2);
  {
    TObjectList<TGenProbe> list;
    EXPECT_TRUE(list.OwnsObjects());
    list.Add(kept);
    list.Add(second);
    list.Add(new TGenProbe(3));
    list.Add(new TGenProbe(4));
    list.SetItems(0, kept);  // the same object back in its place stays alive
    EXPECT_EQ(TGenProbe::Freed, 0);
    EXPECT_EQ(list.Extract(kept), kept);
    EXPECT_EQ(TGenProbe::Freed, 0);
    list.SetItems(0, new TGenProbe(5));  // replaces second
    EXPECT_EQ(TGenProbe::Freed, 1);
    list.Delete(0);
    EXPECT_EQ(TGenProbe::Freed, 2);
    list.Add(nullptr);
    list.Delete(list.Count() - 1);  // a null item frees nothing
    EXPECT_EQ(TGenProbe::Freed, 2);
  }
  EXPECT_EQ(TGenProbe::Freed, 4) << "the list frees the rest when it dies";
  TGenProbe::Freed = 0;
  {
    TObjectList<TGenProbe> borrowed(false);
    borrowed.Add(kept);
    borrowed.Clear();
    TList<TGenProbe*> plain;
    plain.Add(kept);
  }
  EXPECT_EQ(TGenProbe::Freed, 0);
  delete kept;
}

TEST_F(GenericsTest, DictionariesKeepTheirOrderAndReportKeyErrors) {
  TObjectDictionary<QString, TGenProbe> d;
  auto* one = new TGenProbe(1);
  d.Add(u"one"_qs, one);
  d.Add(u"été"_qs, new TGenProbe(2));
  d.Add(u"three"_qs, new TGenProbe(3));
  EXPECT_EQ(d.Keys(), QList<QString>({"one", "été", "three"}));
  EXPECT_EQ(ErrorOf<EListError>([&] { d.Add(u"one"_qs, nullptr); }), "Duplicates not allowed");
  EXPECT_EQ(ErrorOf<EListError>([&] { d.Items(u"none"_qs); }), "Item not found");
  EXPECT_EQ(ErrorOf<EListError>([&] { d.SetItems(u"none"_qs, nullptr); }), "Item not found");
  EXPECT_EQ(d.Items(u"été"_qs)->FValue, 2);
  TGenProbe* found = nullptr;
  EXPECT_TRUE(d.TryGetValue(u"one"_qs, found));
  EXPECT_EQ(found, one);
  EXPECT_FALSE(d.TryGetValue(u"ONE"_qs, found)) << "keys are case-sensitive";

  d.Remove(u"one"_qs);
  EXPECT_EQ(TGenProbe::Freed, 1);
  EXPECT_FALSE(d.ContainsKey(u"one"_qs));
  EXPECT_EQ(d.Keys(), QList<QString>({"été", "three"}));
  EXPECT_EQ(d.Items(u"three"_qs)->FValue, 3) << "positions after the removed pair still found";
  d.AddOrSetValue(u"three"_qs, d.Items(u"three"_qs));  // the same value stays alive
  EXPECT_EQ(TGenProbe::Freed, 1);
  d.AddOrSetValue(u"three"_qs, new TGenProbe(33));
  EXPECT_EQ(TGenProbe::Freed, 2);
  d.AddOrSetValue(u"four"_qs, new TGenProbe(4));
  EXPECT_EQ(d.Values().size(), 3);
  d.Clear();
  EXPECT_EQ(TGenProbe::Freed, 5);
  EXPECT_EQ(d.Count(), 0);

  using TProbeDictionary = TObjectDictionary<QString, TGenProbe>;
  EXPECT_THROW(TProbeDictionary({doOwnsKeys, doOwnsValues}), EInvalidCast) << "string keys cannot be owned";
  TGenProbe::Freed = 0;
  {
    TDictionary<QString, TGenProbe*> borrowed;
    borrowed.Add(u"x"_qs, one = new TGenProbe(9));
    TObjectDictionary<QString, TGenProbe> notOwning(TDictionaryOwnerships{});
    notOwning.Add(u"x"_qs, one);
  }
  EXPECT_EQ(TGenProbe::Freed, 0);
  delete one;
}

TEST_F(GenericsTest, UntypedFacesCheckWhatTheyAreGiven) {
  TList<QString> strings;
  TList<int32_t> ints;
  TList<double> doubles;
  TObjectList<TGenProbe> objects;
  TList<TGenProbe*> borrowed;
  IGenericList* s = &strings;
  IGenericList* i = &ints;
  IGenericList* d = &doubles;
  IGenericList* o = &objects;
  EXPECT_EQ(s->ItemKind(), gikString);
  EXPECT_EQ(i->ItemKind(), gikInteger);
  EXPECT_EQ(d->ItemKind(), gikDouble);
  EXPECT_EQ(o->ItemKind(), gikObject);
  EXPECT_EQ(o->ItemClass(), ClassInfo<TGenProbe>());
  EXPECT_EQ(s->ItemClass(), nullptr);
  EXPECT_TRUE(o->OwnsItems());
  EXPECT_FALSE(static_cast<IGenericList*>(&borrowed)->OwnsItems());

  s->AddValue(u"x"_qs);
  i->AddValue(qlonglong(-2147483648LL));
  d->AddValue(3);
  d->AddValue(0.5);
  o->AddObject(std::make_unique<TGenProbe>(7));
  o->AddObject(nullptr);
  EXPECT_EQ(s->ItemValue(0), QVariant(u"x"_qs));
  EXPECT_EQ(i->ItemValue(0).toInt(), -2147483647 - 1);
  EXPECT_EQ(d->ItemValue(0).toDouble(), 3.0);
  EXPECT_EQ(static_cast<TGenProbe*>(o->ItemObject(0))->FValue, 7);
  EXPECT_EQ(o->ItemObject(1), nullptr);

  struct Case {
    const char* what;
    std::function<void()> action;
  };
  const Case casts[] = {
      {"number into strings", [&] { s->AddValue(1); }},
      {"text into integers", [&] { i->AddValue(u"1"_qs); }},
      {"fraction into integers", [&] { i->AddValue(1.5); }},
      {"beyond the Integer range", [&] { i->AddValue(qlonglong(2147483648LL)); }},
      {"text into doubles", [&] { d->AddValue(u"1"_qs); }},
      {"value into objects", [&] { o->AddValue(1); }},
      {"object into strings", [&] { s->AddObject(std::make_unique<TGenProbe>()); }},
      {"object of another class", [&] { o->AddObject(std::make_unique<TGenOther>()); }},
      {"value of an object list", [&] { o->ItemValue(0); }},
      {"object of a string list", [&] { s->ItemObject(0); }},
  };
  for (const Case& c : casts) EXPECT_THROW(c.action(), EInvalidCast) << c.what;
  EXPECT_THROW(static_cast<IGenericList*>(&borrowed)->AddObject(std::make_unique<TGenProbe>()), EInvalidOperation);
  EXPECT_EQ(TGenProbe::Freed, 2) << "objects refused are freed";
  EXPECT_EQ(s->Count() + i->Count() + d->Count() + o->Count(), 6);

  TObjectDictionary<QString, TGenProbe> dictionary;
  TDictionary<QString, TGenProbe*> borrowedDictionary;
  IGenericDictionary* dd = &dictionary;
  EXPECT_EQ(dd->ValueClass(), ClassInfo<TGenProbe>());
  dd->AddObject(u"a"_qs, std::make_unique<TGenProbe>(1));
  dd->AddObject(u"b"_qs, nullptr);
  EXPECT_EQ(dd->KeyText(1), u"b"_qs);
  EXPECT_EQ(static_cast<TGenProbe*>(dd->ValueObject(0))->FValue, 1);
  EXPECT_EQ(ErrorOf<EListError>([&] { dd->KeyText(2); }), "List index out of bounds (2)");
  TGenProbe::Freed = 0;
  EXPECT_THROW(dd->AddObject(u"a"_qs, std::make_unique<TGenProbe>()), EListError);
  EXPECT_THROW(dd->AddObject(u"c"_qs, std::make_unique<TGenOther>()), EInvalidCast);
  EXPECT_THROW(static_cast<IGenericDictionary*>(&borrowedDictionary)->AddObject(u"a"_qs, std::make_unique<TGenProbe>()),
               EInvalidOperation);
  EXPECT_EQ(TGenProbe::Freed, 2);
  EXPECT_EQ(dd->Count(), 2);
}
