// Object persistence of generic lists and dictionaries: golden documents of
// each kind, round trips (as the root and as properties), and malformed
// input, which raises the reader's errors and leaves the container as it was.

#include <gtest/gtest.h>

#include <functional>

#include "foundation/KitGraphicsTypes.h"
#include "foundation/KitPersistence.h"
#include "platform/rtl/GenericsCollections.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/StringList.h"
#include "tests/foundation/PersistenceTestSupport.h"
#include "tests/support/TestSupport.h"

namespace gc = Generics::Collections;

// The item class of the object containers. Its name contains "string", which
// the type tests see, but its lists still hold objects.
class TStringPoint : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TStringPoint)
  TStringPoint() = default;
  TStringPoint(const QString& AName, int AX) : FName(AName), FX(AX) {}
  QString FName;
  int32_t FX = 0;
};
TF_PUBLISHED(TStringPoint, TPersistent) {
  return TPublished<TStringPoint>()
      .String("Name", &TStringPoint::FName, &TStringPoint::FName)
      .Integer("X", &TStringPoint::FX, &TStringPoint::FX);
}

// An object holding one container of each kind as properties.
class TGenericHolder : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TGenericHolder)
  gc::TList<QString>* Names() const { return FNames.get(); }
  gc::TList<int32_t>* Counts() const { return FCounts.get(); }
  gc::TList<double>* Weights() const { return FWeights.get(); }
  gc::TObjectList<TStringPoint>* Points() const { return FPoints.get(); }
  gc::TObjectDictionary<QString, TStringPoint>* Named() const { return FNamed.get(); }

 private:
  std::unique_ptr<gc::TList<QString>> FNames = std::make_unique<gc::TList<QString>>();
  std::unique_ptr<gc::TList<int32_t>> FCounts = std::make_unique<gc::TList<int32_t>>();
  std::unique_ptr<gc::TList<double>> FWeights = std::make_unique<gc::TList<double>>();
  std::unique_ptr<gc::TObjectList<TStringPoint>> FPoints = std::make_unique<gc::TObjectList<TStringPoint>>();
  std::unique_ptr<gc::TObjectDictionary<QString, TStringPoint>> FNamed =
      std::make_unique<gc::TObjectDictionary<QString, TStringPoint>>();
};
TF_PUBLISHED(TGenericHolder, TPersistent) {
  using H = TGenericHolder;
  return TPublished<H>()
      .Object("Names", &H::Names)
      .Object("Counts", &H::Counts)
      .Object("Weights", &H::Weights)
      .Object("Points", &H::Points)
      .Object("Named", &H::Named);
}

namespace {

using persistencetest::LoadJSON;
using persistencetest::SaveJSON;

QString Point(const char* name, int x) {
  return QStringLiteral("{\"$type\":\"TStringPoint\",\"Name\":\"%1\",\"X\":%2}").arg(QLatin1String(name)).arg(x);
}

// The containers' contents as one text, for comparisons.
QString Dump(TObject* AObject) {
  QStringList parts;
  if (auto* list = dynamic_cast<gc::IGenericList*>(AObject)) {
    for (int i = 0; i < list->Count(); ++i) {
      if (list->ItemKind() != gc::gikObject) {
        parts << list->ItemValue(i).toString();
      } else if (auto* p = static_cast<TStringPoint*>(list->ItemObject(i))) {
        parts << p->FName + u':' + QString::number(p->FX);
      } else {
        parts << u"null"_qs;
      }
    }
  } else if (auto* dictionary = dynamic_cast<gc::IGenericDictionary*>(AObject)) {
    for (int i = 0; i < dictionary->Count(); ++i) {
      auto* p = static_cast<TStringPoint*>(dictionary->ValueObject(i));
      parts << dictionary->KeyText(i) + u'=' + (p ? p->FName + u':' + QString::number(p->FX) : u"null"_qs);
    }
  }
  return parts.join(u'|');
}

class KitPersistenceGenericsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    TypeKeyName = u"$type"_qs;
    IOReference = nullptr;
  }
};

}  // namespace

TEST_F(KitPersistenceGenericsTest, TypeTestsGoByTheFrameworksNames) {
  gc::TList<QString> strings;
  gc::TList<int32_t> ints;
  gc::TList<double> doubles;
  gc::TObjectList<TStringPoint> points;
  gc::TDictionary<QString, TStringPoint*> borrowed;
  gc::TObjectDictionary<QString, TStringPoint> owned;
  const struct {
    TObject* object;
    bool list, ofString, ofInteger, ofDouble, dictionary;
  } cases[] = {
      {&strings, true, true, false, false, false},
      {&ints, true, false, true, false, false},
      {&doubles, true, false, false, true, false},
      // By name alone an object list of TStringPoint reads as strings.
      {&points, true, true, false, false, false},
      {&borrowed, false, false, false, false, true},
      {&owned, false, false, false, false, true},
  };
  for (const auto& c : cases) {
    const TClassInfo* info = ClassInfoOf(c.object);
    const std::string name = c.object->ClassName().toStdString();
    EXPECT_EQ(TKitPersistence::Class().IsGenericList(info), c.list) << name;
    EXPECT_EQ(TKitPersistence::Class().IsGenericList(info, u"String"_qs), c.ofString) << name;
    EXPECT_EQ(TKitPersistence::Class().IsGenericList(info, u"integer"_qs), c.ofInteger) << name;
    EXPECT_EQ(TKitPersistence::Class().IsGenericList(info, u"double"_qs), c.ofDouble) << name;
    EXPECT_EQ(TKitPersistence::Class().IsGenericDictionary(info), c.dictionary) << name;
    EXPECT_FALSE(TKitPersistence::Class().IsList(info)) << name << ": not the untyped TList";
  }
}

TEST_F(KitPersistenceGenericsTest, GoldenDocumentsOfEachKind) {
  gc::TList<QString> strings;
  for (const QString& s : {u"été"_qs, QString(), u"say \"hi\""_qs}) strings.Add(s);
  gc::TList<int32_t> ints;
  for (int v : {1, -2, 2147483647}) ints.Add(v);
  gc::TList<double> doubles;
  for (double v : {1.5, -0.25, 3.0}) doubles.Add(v);
  TStringPoint a(u"a"_qs, 1), b(u"b"_qs, -2);
  gc::TList<TStringPoint*> borrowed;
  borrowed.Add(&a);
  borrowed.Add(nullptr);
  borrowed.Add(&b);
  gc::TObjectList<TStringPoint> points;
  points.Add(new TStringPoint(u"a"_qs, 1));
  points.Add(new TStringPoint(u"b"_qs, -2));
  gc::TObjectDictionary<QString, TStringPoint> named;
  named.Add(u"one"_qs, new TStringPoint(u"a"_qs, 1));
  named.Add(u"été"_qs, new TStringPoint(u"b"_qs, -2));
  named.Add(u"none"_qs, nullptr);
  gc::TDictionary<QString, TStringPoint*> borrowedNamed;
  borrowedNamed.Add(u"k"_qs, &a);

  const struct {
    const char* what;
    TObject* object;
    QString json;
  } cases[] = {
      {"strings", &strings, u"[\"\\u00E9t\\u00E9\",\"\",\"say \\u0022hi\\u0022\"]"_qs},
      {"integers", &ints, u"[1,-2,2147483647]"_qs},
      {"doubles", &doubles, u"[1.5,-0.25,3]"_qs},
      {"list of objects", &borrowed, u"[%1,null,%2]"_qs.arg(Point("a", 1), Point("b", -2))},
      {"object list", &points, u"[%1,%2]"_qs.arg(Point("a", 1), Point("b", -2))},
      {"object dictionary", &named,
       u"[{\"one\":%1},{\"\\u00E9t\\u00E9\":%2},{\"none\":null}]"_qs.arg(Point("a", 1), Point("b", -2))},
      {"dictionary", &borrowedNamed, u"[{\"k\":%1}]"_qs.arg(Point("a", 1))},
  };
  for (const auto& c : cases) EXPECT_EQ(SaveJSON(c.object), c.json) << c.what;
}

TEST_F(KitPersistenceGenericsTest, RoundTripsRestoreEveryKind) {
  struct Case {
    const char* what;
    std::function<std::unique_ptr<TObject>()> make;
    std::function<void(TObject*)> fill;
  };
  const Case cases[] = {
      {"strings", [] { return std::make_unique<gc::TList<QString>>(); },
       [](TObject* o) {
         for (const QString& s : {u"été"_qs, QString(), u"a\\b\n"_qs}) static_cast<gc::TList<QString>*>(o)->Add(s);
       }},
      {"integers", [] { return std::make_unique<gc::TList<int32_t>>(); },
       [](TObject* o) {
         for (int v : {0, -2147483647 - 1, 2147483647}) static_cast<gc::TList<int32_t>*>(o)->Add(v);
       }},
      {"doubles", [] { return std::make_unique<gc::TList<double>>(); },
       [](TObject* o) {
         for (double v : {0.1, -1e300, 123456.789}) static_cast<gc::TList<double>*>(o)->Add(v);
       }},
      {"object list", [] { return std::make_unique<gc::TObjectList<TStringPoint>>(); },
       [](TObject* o) {
         auto* list = static_cast<gc::TObjectList<TStringPoint>*>(o);
         list->Add(new TStringPoint(u"x"_qs, 5));
         list->Add(new TStringPoint(u"y"_qs, 6));
       }},
      {"object dictionary", [] { return std::make_unique<gc::TObjectDictionary<QString, TStringPoint>>(); },
       [](TObject* o) {
         auto* d = static_cast<gc::TObjectDictionary<QString, TStringPoint>*>(o);
         d->Add(u"é \"q\""_qs, new TStringPoint(u"x"_qs, 5));
         d->Add(u"null"_qs, nullptr);
         d->Add(u"z"_qs, new TStringPoint(u"y"_qs, 6));
       }},
  };
  for (const Case& c : cases) {
    std::unique_ptr<TObject> source = c.make();
    c.fill(source.get());
    std::unique_ptr<TObject> target = c.make();
    c.fill(target.get());  // old content is replaced, not added to
    LoadJSON(target.get(), SaveJSON(source.get()));
    EXPECT_EQ(Dump(target.get()), Dump(source.get())) << c.what;
    EXPECT_FALSE(Dump(source.get()).isEmpty()) << c.what;
  }

  // As properties of an object.
  TGenericHolder holder, back;
  holder.Names()->Add(u"n"_qs);
  holder.Counts()->Add(4);
  holder.Weights()->Add(0.5);
  holder.Points()->Add(new TStringPoint(u"p"_qs, 1));
  holder.Named()->Add(u"k"_qs, new TStringPoint(u"q"_qs, 2));
  const QString json = SaveJSON(&holder);
  EXPECT_EQ(json, u"{\"$type\":\"TGenericHolder\",\"Counts\":[4],\"Named\":[{\"k\":%1}],\"Names\":[\"n\"],"
                  "\"Points\":[%2],\"Weights\":[0.5]}"_qs.arg(Point("q", 2), Point("p", 1)));
  LoadJSON(&back, json);
  EXPECT_EQ(SaveJSON(&back), json);
}

TEST_F(KitPersistenceGenericsTest, ContainersThatOwnNothingTakeNoNewObjects) {
  TStringPoint a(u"a"_qs, 1);
  gc::TList<TStringPoint*> list;
  list.Add(&a);
  gc::TDictionary<QString, TStringPoint*> dictionary;
  dictionary.Add(u"k"_qs, &a);
  // Objects read for them would belong to nobody: they are read, checked and
  // dropped, and the containers end up empty as the document is read whole.
  LoadJSON(&list, u"[%1]"_qs.arg(Point("b", 2)));
  LoadJSON(&dictionary, u"[{\"k\":%1}]"_qs.arg(Point("b", 2)));
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(dictionary.Count(), 0);
  EXPECT_EQ(a.FName, u"a"_qs);
}

TEST_F(KitPersistenceGenericsTest, MalformedInputRaisesTheReadersErrors) {
  gc::TList<QString> strings;
  gc::TList<int32_t> ints;
  gc::TList<double> doubles;
  gc::TObjectList<TStringPoint> points;
  gc::TObjectDictionary<QString, TStringPoint> named;
  strings.Add(u"kept"_qs);
  ints.Add(7);
  doubles.Add(7.5);
  points.Add(new TStringPoint(u"kept"_qs, 7));
  named.Add(u"kept"_qs, new TStringPoint(u"kept"_qs, 7));
  RegisterClass(ClassInfo<TKitGraphicsFill>());
  const QString invalidState = u"TKitJSONReader::EInvalidStateException: Invalid Json parser state. Expected state: %1"_qs;
  const QString fill = u"{\"$type\":\"TKitGraphicsFill\"}"_qs;
  struct Case {
    const char* what;
    TObject* target;
    QString json;
    QString message;  // "ClassName: message"
  };
  const Case cases[] = {
      {"strings: an object", &strings, u"[\"a\",{}]"_qs, invalidState.arg(8)},
      {"strings: a Boolean", &strings, u"[true]"_qs, invalidState.arg(8)},
      {"strings: no array", &strings, u"{\"a\":1}"_qs, invalidState.arg(3)},
      {"integers: a text", &ints, u"[1,\"x\"]"_qs, u"EConvertError: 'x' is not a valid floating point value"_qs},
      {"integers: a fraction", &ints, u"[1.5]"_qs, invalidState.arg(11)},
      {"integers: beyond Integer", &ints, u"[2147483648]"_qs, invalidState.arg(11)},
      {"doubles: a text", &doubles, u"[\"abc\"]"_qs, u"EConvertError: 'abc' is not a valid floating point value"_qs},
      {"doubles: an array", &doubles, u"[[1]]"_qs, invalidState.arg(12)},
      {"objects: a number", &points, u"[1]"_qs, invalidState.arg(1)},
      {"objects: no type member", &points, u"[{\"X\":1}]"_qs,
       u"EKitReaderException: \"$type\" property not found in Object descriptor."_qs},
      {"objects: unknown type", &points, u"[{\"$type\":\"TNoSuch\"}]"_qs,
       u"EKitReaderException: Type \"TNoSuch\" not found"_qs},
      {"objects: another class", &points, u"[%1]"_qs.arg(fill),
       u"EKitReaderException: Type \"TKitGraphicsFill\" does not inherit from TStringPoint"_qs},
      {"objects: a wrong member", &points, u"[{\"$type\":\"TStringPoint\",\"X\":\"x\"}]"_qs,
       u"EConvertError: 'x' is not a valid floating point value"_qs},
      {"dictionary: a number", &named, u"[1]"_qs, invalidState.arg(1)},
      {"dictionary: no member", &named, u"[{}]"_qs, invalidState.arg(10)},
      {"dictionary: two members", &named, u"[{\"a\":%1,\"b\":%1}]"_qs.arg(Point("a", 1)),
       invalidState.arg(2)},
      {"dictionary: a number value", &named, u"[{\"a\":1}]"_qs, invalidState.arg(1)},
      {"dictionary: another class", &named, u"[{\"a\":%1}]"_qs.arg(fill),
       u"EKitReaderException: Type \"TKitGraphicsFill\" does not inherit from TStringPoint"_qs},
      {"dictionary: a key twice", &named, u"[{\"a\":%1},{\"a\":%1}]"_qs.arg(Point("a", 1)),
       u"EListError: Duplicates not allowed"_qs},
      {"dictionary: cut short", &named, u"[{\"a\":%1}"_qs.arg(Point("a", 1)),
       u"TKitJSONReader::EUnterminatedArray: Unterminated array"_qs},
  };
  for (const Case& c : cases) {
    const QString before = Dump(c.target);
    EXPECT_EQ(testsupport::MessageOf([&] { LoadJSON(c.target, c.json); }), c.message) << c.what;
    EXPECT_EQ(Dump(c.target), before) << c.what << ": the container is left as it was";
  }
}

namespace {
// A persistence class that counts string lists among the lists and a type
// of its own among the colours.
class TListAwarePersistence : public TKitPersistence {
 public:
  bool IsDescendingClass(const TClassInfo* AClass, const QStringList& AClassParentList) const override {
    QStringList names = AClassParentList;
    if (names.contains(QStringLiteral("TList"))) names << QStringLiteral("TStringList");
    return TKitPersistence::IsDescendingClass(AClass, names);
  }
  bool IsColor(const QString& ATypeName) const override {
    return ATypeName == QLatin1String("TMyColor") || TKitPersistence::IsColor(ATypeName);
  }
};
}  // namespace

TEST(KitPersistenceTypeTests, ADescendantOverridesATestAndTheTestsBuiltOnIt) {
  const TClassInfo* objectList = ClassInfo<TObjectList>();
  const TClassInfo* collection = ClassInfo<TCollection>();
  const TListAwarePersistence mine;
  EXPECT_TRUE(TKitPersistence::Class().IsList(objectList));
  EXPECT_TRUE(mine.IsList(objectList));
  // The override reaches IsList through the descendant only.
  const TClassInfo* strings = ClassInfo<TStringList>();
  EXPECT_TRUE(mine.IsList(strings));
  EXPECT_FALSE(TKitPersistence::Class().IsList(strings));
  EXPECT_TRUE(mine.IsStrings(strings));
  EXPECT_TRUE(mine.IsCollection(collection)) << "the other tests keep working";
  EXPECT_TRUE(mine.IsColor(QStringLiteral("TMyColor")));
  EXPECT_FALSE(TKitPersistence::Class().IsColor(QStringLiteral("TMyColor")));
  EXPECT_TRUE(mine.IsColor(QStringLiteral("TColor")));
  // Called through a reference to the base, the descendant's slots answer.
  const TKitPersistence& asBase = mine;
  EXPECT_TRUE(asBase.IsColor(QStringLiteral("TMyColor")));
}
