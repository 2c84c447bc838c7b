#include <gtest/gtest.h>

#include "platform/rtl/TypInfo.h"
#include "tests/platform/rtl/TypInfoSamples.h"
#include "tests/support/TestSupport.h"

// ---------------------------------------------------------------------------
// Tables of the sample classes

TF_PUBLISHED(TSampleFont, TObject) {
  return TPublished<TSampleFont>()
      .Integer("Size", &TSampleFont::Size, &TSampleFont::SetSize).Default(8)
      .Object("Shape", &TSampleFont::Shape, &TSampleFont::SetShape);
}

TF_PUBLISHED(TSampleBigFont, TSampleFont) { return TPublished<TSampleBigFont>(); }

TF_PUBLISHED(TSampleShape, TObject) {
  using T = TSampleShape;
  return TPublished<T>()
      .Integer("Width", &T::Width, &T::SetWidth).Default(10)
      .Color("Color", &T::Color, &T::SetColor)
      .Enum("Fill", &T::Fill, &T::SetFill).Default(sfSolid)
      .Set("Style", &T::Style, &T::SetStyle).Default(TSampleStyles{}).TypeName("TSampleStyles")
      .Boolean("Visible", &T::Visible, &T::SetVisible).Default(true)
      .String("Caption", &T::Caption, &T::SetCaption)
      .Integer("Id", &T::Id)
      .Object("Font", &T::Font)
      .Object("Buddy", &T::Buddy, &T::SetBuddy)
      .Integer("Tag", &T::Tag, &T::SetTag)
      .Event("OnChange", &T::OnChange)
      .Event("OnResize", &T::OnResize).TypeName("TSampleResizeEvent")
      .Method("ShapeChanged", &T::ShapeChanged)
      .Method("ShapeResized", &T::ShapeResized);
}

TF_PUBLISHED(TSampleEllipse, TSampleShape) {
  using T = TSampleEllipse;
  return TPublished<T>()
      .Integer("Width", &T::Width, &T::SetWidth).Default(20)
      .Float("Ratio", &T::Ratio, &T::SetRatio).Stored(&T::IsRatioStored)
      .Float("Weight", &T::Weight, &T::SetWeight)
      .DateTime("Created", &T::Created, &T::SetCreated)
      .Int64("Big", &T::Big, &T::SetBig)
      .Variant("Data", &T::Data, &T::SetData)
      .Char("Letter", &T::Letter, &T::SetLetter).Default(int{'A'})
      .String("Password", nullptr, &T::SetPassword)
      .Integer("Hidden", &T::Hidden, &T::SetHidden).Stored(false)
      .Method("EllipseChanged", &T::EllipseChanged);
}

TF_PUBLISHED(TSampleOwner, TObject) { return TPublished<TSampleOwner>(); }
TF_PUBLISHED(TSampleItem, TObject) { return TPublished<TSampleItem>(); }
TF_PUBLISHED(TSampleButton, TSampleItem) { return TPublished<TSampleButton>(); }
TF_PUBLISHED(TSampleAbstract, TObject) { return TPublished<TSampleAbstract>(); }

// A second class named TSampleShape, in another namespace.
namespace other {
class TSampleShape : public TObject {
 public:
  TF_DECLARE_PUBLISHED(TSampleShape)
};
TF_PUBLISHED(TSampleShape, TObject) { return TPublished<TSampleShape>(); }
}  // namespace other

// A descendant without a table of its own.
class TSampleUnpublished : public TSampleShape {};

namespace {

QStringList Names(const TPropList& list) {
  QStringList names;
  for (const TPropInfo* p : list) names << p->Name();
  return names;
}

// Runs f and answers "<exception class>: <message>", or "" when nothing is
// raised.
template <class F>
QString Raised(F f) {
  try {
    f();
  } catch (const Exception& e) {
    return e.ClassName() + QStringLiteral(": ") + e.Message();
  }
  return QString();
}

// ---------------------------------------------------------------------------
// Classes and property lists

TEST(TypInfoClassTest, ParentChainAndPropertyOrder) {
  const TClassInfo* shape = ClassInfo<TSampleShape>();
  const TClassInfo* ellipse = ClassInfo<TSampleEllipse>();
  EXPECT_EQ(ellipse->ClassName(), "TSampleEllipse");
  EXPECT_EQ(ellipse->ClassParent(), shape);
  EXPECT_EQ(shape->ClassParent(), ClassInfo<TObject>());
  EXPECT_EQ(ClassInfo<TObject>()->ClassParent(), nullptr);
  EXPECT_TRUE(ellipse->InheritsFrom(shape));
  EXPECT_TRUE(ellipse->InheritsFrom(ClassInfo<TObject>()));
  EXPECT_FALSE(shape->InheritsFrom(ellipse));
  EXPECT_FALSE(ellipse->InheritsFrom(ClassInfo<TSampleFont>()));
  EXPECT_EQ(ellipse->TypeInfo()->Kind(), tkClass);
  EXPECT_EQ(ellipse->TypeInfo()->ClassType(), ellipse);

  const QStringList shapeProps{"Width", "Color", "Fill",  "Style", "Visible",  "Caption",
                               "Id",    "Font",  "Buddy", "Tag",   "OnChange", "OnResize"};
  EXPECT_EQ(Names(GetPropList(shape)), shapeProps);
  // Parents first; the redeclared Width keeps its place.
  QStringList ellipseProps = shapeProps;
  ellipseProps << "Ratio" << "Weight" << "Created" << "Big" << "Data" << "Letter" << "Password" << "Hidden";
  EXPECT_EQ(Names(GetPropList(ellipse)), ellipseProps);
  for (int i = 0; i < ellipse->PropCount(); ++i) EXPECT_EQ(ellipse->Props(i)->NameIndex(), i);

  const TPropInfo* width = GetPropInfo(ellipse, "width");
  ASSERT_NE(width, nullptr);
  EXPECT_NE(width, GetPropInfo(shape, "Width"));
  EXPECT_EQ(width->Default(), 20);
  EXPECT_EQ(GetPropInfo(shape, "Width")->Default(), 10);
  EXPECT_EQ(GetPropInfo(ellipse, "Color"), GetPropInfo(shape, "Color"));

  EXPECT_EQ(Raised([&] { ellipse->Props(ellipse->PropCount()); }), "EListError: List index out of bounds (20)");
  EXPECT_EQ(Raised([&] { ellipse->Props(-1); }), "EListError: List index out of bounds (-1)");
}

TEST(TypInfoClassTest, FilteredListsAreSortedByName) {
  const TClassInfo* ellipse = ClassInfo<TSampleEllipse>();
  EXPECT_EQ(Names(GetPropList(ellipse, TTypeKinds{tkFloat})), (QStringList{"Created", "Ratio", "Weight"}));
  EXPECT_EQ(Names(GetPropList(ellipse, TTypeKinds{tkFloat}, false)), (QStringList{"Ratio", "Weight", "Created"}));
  EXPECT_EQ(Names(GetPropList(ellipse, tkMethods)), (QStringList{"OnChange", "OnResize"}));
  const TPropList all = GetPropList(ellipse, tkProperties);
  EXPECT_EQ(static_cast<int>(all.size()), ellipse->PropCount() - 2);
  EXPECT_EQ(all.front()->Name(), "Big");
  EXPECT_EQ(all.back()->Name(), "Width");
}

TEST(TypInfoClassTest, PropertyTypesAndAccessors) {
  struct Case {
    const char* name;
    TTypeKind kind;
    const char* typeName;
    bool getter;
    bool setter;
  };
  const Case cases[] = {
      {"Width", tkInteger, "Integer", true, true},        {"Color", tkInteger, "TColor", true, true},
      {"Fill", tkEnumeration, "TSampleFill", true, true}, {"Style", tkSet, "TSampleStyles", true, true},
      {"Visible", tkEnumeration, "Boolean", true, true},  {"Caption", tkUString, "string", true, true},
      {"Id", tkInteger, "Integer", true, false},          {"Font", tkClass, "TSampleFont", true, false},
      {"Buddy", tkClass, "TSampleFont", true, true},      {"Tag", tkInteger, "Cardinal", true, true},
      {"OnChange", tkMethod, "TNotifyEvent", true, true}, {"OnResize", tkMethod, "TSampleResizeEvent", true, true},
      {"Ratio", tkFloat, "Double", true, true},           {"Weight", tkFloat, "Single", true, true},
      {"Created", tkFloat, "TDateTime", true, true},      {"Big", tkInt64, "Int64", true, true},
      {"Data", tkVariant, "Variant", true, true},         {"Letter", tkWChar, "Char", true, true},
      {"Password", tkUString, "string", false, true},
  };
  TSampleEllipse e;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TPropInfo* p = GetPropInfo(&e, c.name);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Kind(), c.kind);
    EXPECT_EQ(p->PropType()->Kind(), c.kind);
    EXPECT_EQ(p->TypeName(), c.typeName);
    EXPECT_EQ(p->HasGetter(), c.getter);
    EXPECT_EQ(p->HasSetter(), c.setter);
    EXPECT_TRUE(PropIsType(&e, c.name, c.kind));
    EXPECT_TRUE(IsPublishedProp(&e, c.name));
  }
  EXPECT_FALSE(IsPublishedProp(&e, "Nope"));
  EXPECT_EQ(GetPropInfo(&e, "Font")->PropType()->ClassType(), ClassInfo<TSampleFont>());
  // Tables typed with each other's classes (font -> ellipse -> shape -> font).
  EXPECT_EQ(GetPropInfo(ClassInfo<TSampleFont>(), "Shape")->PropType()->ClassType(), ClassInfo<TSampleEllipse>());
  EXPECT_EQ(GetPropInfo(&e, "Style")->PropType()->CompType(), TypeInfoOf<TSampleStyle>());
  EXPECT_EQ(GetPropInfo(&e, "Weight")->PropType()->FloatType(), ftSingle);
  EXPECT_EQ(GetPropInfo(&e, "Tag")->PropType()->MaxValue(), 4294967295LL);
  EXPECT_EQ(Raised([&] { PropType(&e, "Nope"); }), "EPropertyError: Property Nope does not exist");
}

// ---------------------------------------------------------------------------
// Values

TEST(TypInfoValueTest, SetAndGetByText) {
  struct Case {
    const char* prop;
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"Width", "42", "42"},
      {"Width", " -$2A", "-42"},
      {"Color", "0x0000FF", "255"},
      {"Fill", "sfHatch", "sfHatch"},
      {"Fill", "SFNONE", "sfNone"},
      {"Style", "[ssUnderline, ssBold]", "ssBold,ssUnderline"},
      {"Style", "ssItalic ssBold", "ssBold,ssItalic"},
      {"Style", "[]", ""},
      {"Visible", "false", "false"},
      {"Visible", "TRUE", "true"},
      {"Caption", "Hello", "Hello"},
      {"Tag", "4000000000", "4000000000"},
      {"Ratio", "2.5", "2.5"},
      {"Weight", "0.25", "0.25"},
      {"Created", "45000.5", "45000.5"},
      {"Big", "-9000000000", "-9000000000"},
      {"Data", "x", "x"},
      {"Letter", "66", "66"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(QStringLiteral("%1 = %2").arg(c.prop, c.text).toStdString());
    TSampleEllipse e;
    SetPropValue(&e, c.prop, QString::fromLatin1(c.text));
    EXPECT_EQ(GetPropValue(&e, c.prop).toString(), c.expected);
  }
}

TEST(TypInfoValueTest, SetByTextErrors) {
  struct Case {
    const char* prop;
    const char* text;
    const char* raised;
  };
  const Case cases[] = {
      {"Width", "abc", "EConvertError: 'abc' is not a valid integer value"},
      {"Width", "12x", "EConvertError: '12x' is not a valid integer value"},
      {"Width", "3000000000", "ERangeError: Range check error"},
      {"Tag", "-1", "ERangeError: Range check error"},
      {"Letter", "70000", "ERangeError: Range check error"},
      {"Fill", "sfCircle", "EPropertyError: Invalid property element: sfCircle"},
      {"Style", "[ssBold,ssStrike]", "EPropertyError: Invalid property element: ssStrike"},
      {"Ratio", "1,5", "EConvertError: '1,5' is not a valid floating point value"},
      {"Id", "3", "EPropertyError: Property is read-only"},
      {"Font", "x", "EPropertyError: Invalid property value"},
      {"OnChange", "x", "EPropertyError: Invalid property type: TNotifyEvent"},
      {"Nope", "1", "EPropertyError: Property Nope does not exist"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.prop);
    TSampleEllipse e;
    EXPECT_EQ(Raised([&] { SetPropValue(&e, c.prop, QString::fromLatin1(c.text)); }), c.raised);
  }
  TSampleEllipse e;
  EXPECT_EQ(e.Width(), 20);
  EXPECT_EQ(e.Fill(), sfSolid);
}

TEST(TypInfoValueTest, TypedAccessors) {
  TSampleEllipse e;
  SetOrdProp(&e, "Width", 33);
  EXPECT_EQ(e.Width(), 33);
  EXPECT_EQ(GetOrdProp(&e, "Width"), 33);
  SetOrdProp(&e, "Color", 0x00FF00);
  EXPECT_EQ(e.Color(), 0x00FF00);
  EXPECT_EQ(GetOrdProp(&e, "Visible"), 1);

  SetEnumProp(&e, "Fill", "sfhatch");
  EXPECT_EQ(e.Fill(), sfHatch);
  EXPECT_EQ(GetEnumProp(&e, "Fill"), "sfHatch");
  EXPECT_EQ(GetEnumProp(&e, "Visible"), "True");
  EXPECT_EQ(GetOrdProp(&e, "Fill"), 2);

  SetSetProp(&e, "Style", "[ssItalic,ssUnderline]");
  EXPECT_EQ(e.Style(), (TSampleStyles{TSampleStyle::ssItalic, TSampleStyle::ssUnderline}));
  EXPECT_EQ(GetSetProp(&e, "Style"), "ssItalic,ssUnderline");
  EXPECT_EQ(GetSetProp(&e, "Style", true), "[ssItalic,ssUnderline]");
  EXPECT_EQ(GetOrdProp(&e, "Style"), 6);

  SetStrProp(&e, "Caption", QStringLiteral("Zoë"));
  EXPECT_EQ(GetStrProp(&e, "Caption"), QStringLiteral("Zoë"));
  SetStrProp(&e, "Password", "secret");
  EXPECT_EQ(e.Password, "secret");

  SetFloatProp(&e, "Ratio", 0.75);
  EXPECT_DOUBLE_EQ(GetFloatProp(&e, "Ratio"), 0.75);
  SetFloatProp(&e, "Weight", 1.5);
  EXPECT_FLOAT_EQ(e.Weight(), 1.5f);

  SetInt64Prop(&e, "Big", INT64_MIN);
  EXPECT_EQ(GetInt64Prop(&e, "Big"), INT64_MIN);
  SetOrdProp(&e, "Letter", u'z');
  EXPECT_EQ(e.Letter(), QChar(u'z'));

  SetVariantProp(&e, "Data", QVariant(12));
  EXPECT_EQ(GetVariantProp(&e, "Data"), QVariant(12));

  EXPECT_EQ(GetObjectProp(&e, "Font"), e.Font());
  EXPECT_EQ(GetObjectProp(&e, "Buddy"), nullptr);
  TSampleBigFont big;
  SetObjectProp(&e, "Buddy", &big);
  EXPECT_EQ(e.Buddy(), &big);
  EXPECT_EQ(GetPropValue(&e, "Buddy").value<TObject*>(), &big);
  SetPropValue(&e, "Buddy", QVariant());
  EXPECT_EQ(e.Buddy(), nullptr);

  // Numbers instead of names.
  EXPECT_EQ(GetPropValue(&e, "Fill", false), QVariant(2));
  EXPECT_EQ(GetPropValue(&e, "Style", false), QVariant(qlonglong{6}));
  SetPropValue(&e, "Fill", 0);
  EXPECT_EQ(e.Fill(), sfNone);
  SetPropValue(&e, "Visible", false);
  EXPECT_FALSE(e.Visible());
  SetPropValue(&e, "Width", 2.5);  // rounds half to even
  EXPECT_EQ(e.Width(), 2);
}

TEST(TypInfoValueTest, AccessorErrors) {
  TSampleEllipse e;
  TSampleFont font;
  TSampleShape shape;
  const TPropInfo* width = GetPropInfo(&shape, "Width");
  struct Case {
    const char* what;
    std::function<void()> run;
    const char* raised;
  };
  const Case cases[] = {
      {"float of integer", [&] { GetFloatProp(&e, "Width"); }, "EPropertyError: Invalid property type: Integer"},
      {"string of enum", [&] { SetStrProp(&e, "Fill", "x"); }, "EPropertyError: Invalid property type: TSampleFill"},
      {"ordinal of object", [&] { GetOrdProp(&e, "Font"); }, "EPropertyError: Invalid property type: TSampleFont"},
      {"enum of set", [&] { GetEnumProp(&e, "Style"); }, "EPropertyError: Invalid property type: TSampleStyles"},
      {"set of integer", [&] { SetSetProp(&e, "Width", "[]"); }, "EPropertyError: Invalid property type: Integer"},
      {"read write-only", [&] { GetStrProp(&e, "Password"); }, "EPropertyError: Property is write-only"},
      {"write read-only", [&] { SetOrdProp(&e, "Id", 1); }, "EPropertyError: Property is read-only"},
      {"write read-only object", [&] { SetObjectProp(&e, "Font", nullptr); }, "EPropertyError: Property is read-only"},
      {"object of wrong class", [&] { SetObjectProp(&e, "Buddy", &shape); }, "EPropertyError: Invalid property value"},
      {"enum out of range", [&] { SetOrdProp(&e, "Fill", 3); }, "ERangeError: Range check error"},
      {"set out of range", [&] { SetOrdProp(&e, "Style", 8); }, "ERangeError: Range check error"},
      {"boolean out of range", [&] { SetOrdProp(&e, "Visible", 2); }, "ERangeError: Range check error"},
      {"unknown enum name", [&] { SetEnumProp(&e, "Fill", "x"); }, "EPropertyError: Invalid property element: x"},
      {"instance of other class", [&] { GetOrdProp(&font, width); }, "EPropertyError: Property Width does not exist"},
      {"null instance", [&] { GetOrdProp(nullptr, "Width"); }, "EPropertyError: Property Width does not exist"},
      {"method as value", [&] { GetPropValue(&e, "OnChange"); }, "EPropertyError: Invalid property type: TNotifyEvent"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Raised(c.run), c.raised);
  }
  EXPECT_EQ(e.Fill(), sfSolid);
  EXPECT_EQ(e.Buddy(), nullptr);
}

TEST(TypInfoValueTest, PublishedAncestorTableServesUnpublishedDescendants) {
  TSampleUnpublished u;
  EXPECT_EQ(ClassInfoOf(&u), nullptr);
  EXPECT_EQ(GetPropInfo(&u, "Width"), nullptr);
  EXPECT_EQ(Raised([&] { SetOrdProp(&u, "Width", 1); }), "EPropertyError: Property Width does not exist");
  // Through the ancestor's table the descendant is a valid instance.
  const TPropInfo* width = GetPropInfo(ClassInfo<TSampleShape>(), "Width");
  SetOrdProp(&u, width, 5);
  EXPECT_EQ(u.Width(), 5);
  EXPECT_TRUE(ClassInfo<TSampleShape>()->IsInstance(&u));
  EXPECT_FALSE(ClassInfo<TSampleEllipse>()->IsInstance(&u));
}

// ---------------------------------------------------------------------------
// Enumeration and set names

TEST(TypInfoNamesTest, EnumerationNames) {
  const TTypeInfo* fill = TypeInfoOf<TSampleFill>();
  EXPECT_EQ(fill->Name(), "TSampleFill");
  EXPECT_EQ(fill->EnumNames(), (QStringList{"sfNone", "sfSolid", "sfHatch"}));
  EXPECT_EQ(fill->MinValue(), 0);
  EXPECT_EQ(fill->MaxValue(), 2);
  EXPECT_EQ(fill->BaseType(), fill);
  EXPECT_EQ(TypeInfoOf<TSampleStyle>()->EnumNames(), (QStringList{"ssBold", "ssItalic", "ssUnderline"}));

  struct NameCase {
    int value;
    const char* name;
  };
  for (const NameCase& c : {NameCase{0, "sfNone"}, {2, "sfHatch"}, {3, ""}, {-1, ""}})
    EXPECT_EQ(GetEnumName(fill, c.value), c.name) << c.value;
  struct ValueCase {
    const char* name;
    int value;
  };
  for (const ValueCase& c : {ValueCase{"sfSolid", 1}, {"SFSOLID", 1}, {"sfhatch", 2}, {"sf", -1}, {"", -1}})
    EXPECT_EQ(GetEnumValue(fill, c.name), c.value) << c.name;

  const TTypeInfo* boolean = TypeInfoOf<bool>();
  EXPECT_EQ(boolean->Name(), "Boolean");
  EXPECT_EQ(boolean->Kind(), tkEnumeration);
  EXPECT_EQ(boolean->EnumNames(), (QStringList{"False", "True"}));
  EXPECT_EQ(GetEnumValue(boolean, "true"), 1);
  EXPECT_EQ(GetEnumName(TypeInfoOf<int>(), 1), "");
  EXPECT_EQ(GetEnumValue(TypeInfoOf<int>(), "1"), -1);
}

TEST(TypInfoNamesTest, SetNames) {
  const TPropInfo* style = GetPropInfo(ClassInfo<TSampleShape>(), "Style");
  const TSampleStyles boldItalic{TSampleStyle::ssBold, TSampleStyle::ssItalic};
  EXPECT_EQ(SetToString(style, static_cast<Int64>(boldItalic.Bits())), "ssBold,ssItalic");
  EXPECT_EQ(SetToString(style, static_cast<Int64>(boldItalic.Bits()), true), "[ssBold,ssItalic]");
  EXPECT_EQ(SetToString(style, 0, true), "[]");
  EXPECT_EQ(SetToString(TypeInfoOf<TSampleStyles>(), 4), "ssUnderline");
  EXPECT_EQ(TypeInfoOf<TSampleStyles>()->Name(), "set of TSampleStyle");

  struct Case {
    const char* text;
    Int64 bits;
  };
  for (const Case& c : {Case{"[ssBold,ssItalic]", 3}, {" [ ssUnderline ] ", 4}, {"ssitalic,SSBOLD", 3},
                        {"ssBold, ssBold", 1}, {"", 0}, {"[]", 0}})
    EXPECT_EQ(StringToSet(style, c.text), c.bits) << c.text;
  EXPECT_EQ(Raised([&] { StringToSet(style, "[ssBold,]ssWide"); }),
            "EPropertyError: Invalid property element: ssWide");
  EXPECT_EQ(Raised([&] { StringToSet(TypeInfoOf<TSampleFill>(), "sfNone"); }),
            "EPropertyError: Invalid property type: TSampleFill");
}

// ---------------------------------------------------------------------------
// Default and stored rules

TEST(TypInfoStreamingTest, DefaultAndStoredRules) {
  struct Case {
    const char* prop;
    bool hasDefault;
    bool isDefault;  // on a fresh object
    bool stored;
  };
  const Case cases[] = {
      {"Width", true, true, true},      // 20, redeclared default 20
      {"Color", false, false, true},    // nodefault: always written
      {"Fill", true, true, true},       {"Style", true, true, true},
      {"Visible", true, true, true},    {"Caption", false, true, true},   // empty string
      {"Id", false, true, true},        // read-only: not written
      {"Font", false, false, true},     // read-only object, written in place
      {"Buddy", false, true, true},     // null
      {"Tag", false, false, true},      {"OnChange", false, true, true},
      {"Ratio", false, false, false},   // 1.0 is not 0; stored only when not 1
      {"Weight", false, true, true},    {"Created", false, true, true},
      {"Big", false, true, true},       {"Data", false, true, true},
      {"Letter", true, true, true},     {"Password", false, true, true},  // write-only
      {"Hidden", false, false, false},
  };
  TSampleEllipse e;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.prop);
    const TPropInfo* p = GetPropInfo(&e, c.prop);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->HasDefault(), c.hasDefault);
    EXPECT_EQ(IsDefaultPropValue(&e, p), c.isDefault);
    EXPECT_EQ(IsStoredProp(&e, c.prop), c.stored);
  }
  EXPECT_EQ(GetPropInfo(&e, "Fill")->Default(), sfSolid);
  EXPECT_EQ(GetPropInfo(&e, "Visible")->Default(), 1);
  EXPECT_EQ(GetPropInfo(&e, "Letter")->Default(), 'A');

  // Changed values stop being default; the stored predicate follows the object.
  e.SetWidth(21);
  e.SetFill(sfNone);
  e.SetCaption("x");
  e.SetRatio(2);
  e.SetBig(1);
  e.SetData(QVariant(0));
  e.OnChange = [](TObject*) {};
  for (const char* name : {"Width", "Fill", "Caption", "Big", "Data", "OnChange"})
    EXPECT_FALSE(IsDefaultPropValue(&e, GetPropInfo(&e, name))) << name;
  EXPECT_TRUE(IsStoredProp(&e, "Ratio"));
}

// ---------------------------------------------------------------------------
// Methods and events

TEST(TypInfoMethodTest, EventsBoundToPublishedMethodsKeepTheirName) {
  TSampleEllipse e;
  TMethod none = GetMethodProp(&e, "OnChange");
  EXPECT_FALSE(none.Assigned());

  const TMethodInfo* code = MethodAddress(&e, "shapechanged");  // an ancestor's method
  ASSERT_NE(code, nullptr);
  EXPECT_EQ(code->Name(), "ShapeChanged");
  EXPECT_EQ(code->ClassType(), ClassInfo<TSampleShape>());
  EXPECT_EQ(MethodAddress(&e, "Nope"), nullptr);

  SetMethodProp(&e, "OnChange", TMethod{code, &e, {}});
  ASSERT_TRUE(e.OnChange);
  e.OnChange(&e);
  EXPECT_EQ(e.ChangeCount, 1);
  TMethod read = GetMethodProp(&e, "OnChange");
  EXPECT_TRUE(read.Assigned());
  EXPECT_EQ(read.Code, code);
  EXPECT_EQ(read.Data, &e);
  EXPECT_EQ(MethodName(&e, read.Code), "ShapeChanged");

  // A method of the descendant is not a method of the ancestor.
  const TMethodInfo* own = MethodAddress(&e, "EllipseChanged");
  ASSERT_NE(own, nullptr);
  TSampleShape shape;
  EXPECT_EQ(MethodAddress(&shape, "EllipseChanged"), nullptr);
  EXPECT_EQ(MethodName(&shape, own), "");
  EXPECT_EQ(MethodName(&e, own), "EllipseChanged");
  EXPECT_EQ(Raised([&] { SetMethodProp(&shape, "OnChange", TMethod{own, &shape, {}}); }),
            "EPropertyError: Invalid property value");

  // Events of another signature.
  const TMethodInfo* resized = MethodAddress(&e, "ShapeResized");
  EXPECT_EQ(Raised([&] { SetMethodProp(&e, "OnResize", TMethod{code, &e, {}}); }),
            "EPropertyError: Invalid property value");
  SetMethodProp(&e, "OnResize", TMethod{resized, &e, {}});
  e.OnResize(&e, 4);
  EXPECT_EQ(e.ResizedBy, 4);

  // Bound to another object: the handler calls that object.
  TSampleShape target;
  SetMethodProp(&e, "OnChange", TMethod{code, &target, {}});
  e.OnChange(&e);
  EXPECT_EQ(target.ChangeCount, 1);
  EXPECT_EQ(GetMethodProp(&e, "OnChange").Data, &target);

  SetMethodProp(&e, "OnChange", TMethod{});
  EXPECT_FALSE(e.OnChange);
  EXPECT_EQ(Raised([&] { SetMethodProp(&e, "OnChange", TMethod{code, nullptr, {}}); }),
            "EPropertyError: Invalid property value");
}

TEST(TypInfoMethodTest, PlainHandlersHaveNoNameButCopy) {
  TSampleShape source;
  int calls = 0;
  source.OnChange = [&calls](TObject*) { ++calls; };
  TMethod m = GetMethodProp(&source, "OnChange");
  EXPECT_TRUE(m.Assigned());
  EXPECT_EQ(m.Code, nullptr);
  EXPECT_EQ(MethodName(&source, m.Code), "");

  TSampleShape copy;
  SetMethodProp(&copy, "OnChange", m);
  copy.OnChange(&copy);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(Raised([&] { SetMethodProp(&copy, "OnResize", m); }), "EPropertyError: Invalid property value");
}

// ---------------------------------------------------------------------------
// Class registry

TEST(TypInfoRegistryTest, ClassesFromOtherUnitsAreFoundByName) {
  // Declared and published only in TypInfoOtherUnit.cpp.
  const TClassInfo* remote = GetClass("TSampleRemote");
  ASSERT_NE(remote, nullptr);
  EXPECT_EQ(FindClass("tsampleremote"), remote);
  EXPECT_EQ(remote->ClassParent(), ClassInfo<TSampleShape>());
  EXPECT_TRUE(remote->InheritsFrom(ClassInfo<TSampleShape>()));
  EXPECT_EQ(remote->PropCount(), ClassInfo<TSampleShape>()->PropCount() + 1);
  EXPECT_EQ(remote->Props(0)->Name(), "Width");
  EXPECT_EQ(remote->Props(remote->PropCount() - 1)->Name(), "Note");

  std::unique_ptr<TObject> object = remote->Create();
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->ClassName(), "TSampleRemote");
  EXPECT_EQ(ClassInfoOf(object.get()), remote);
  EXPECT_EQ(GetStrProp(object.get(), "Note"), "remote");
  SetPropValue(object.get(), "Width", "5");
  EXPECT_EQ(dynamic_cast<TSampleShape*>(object.get())->Width(), 5);
}

TEST(TypInfoRegistryTest, LookupRegisterAndUnregister) {
  EXPECT_EQ(ClassInfoOf(nullptr), nullptr);
  TSampleEllipse e;
  const TObject& base = e;
  EXPECT_EQ(ClassInfoOf(&base), ClassInfo<TSampleEllipse>());
  EXPECT_EQ(GetClass("TSampleEllipse"), ClassInfo<TSampleEllipse>());
  EXPECT_EQ(GetClass("TObject"), nullptr);
  EXPECT_EQ(GetClass("TNoSuchClass"), nullptr);
  EXPECT_EQ(Raised([] { FindClass("TNoSuchClass"); }), "EClassNotFound: Class TNoSuchClass not found");

  const TClassInfo* font = ClassInfo<TSampleBigFont>();
  UnRegisterClass(font);
  EXPECT_EQ(GetClass("TSampleBigFont"), nullptr);
  EXPECT_EQ(ClassInfoOf(&e), ClassInfo<TSampleEllipse>());  // the table itself stays
  RegisterClasses({font, ClassInfo<TSampleEllipse>()});
  EXPECT_EQ(GetClass("TSampleBigFont"), font);

  // Registering a class registers its ancestors too.
  UnRegisterClass(ClassInfo<TSampleFont>());
  UnRegisterClass(font);
  RegisterClass(font);
  EXPECT_EQ(GetClass("TSampleFont"), ClassInfo<TSampleFont>());

  // Two classes of one name: the first keeps it.
  const TClassInfo* otherShape = ClassInfo<other::TSampleShape>();
  EXPECT_EQ(otherShape->ClassName(), "TSampleShape");
  EXPECT_EQ(GetClass("TSampleShape"), ClassInfo<TSampleShape>());
  EXPECT_EQ(Raised([&] { RegisterClass(otherShape); }), "EFilerError: A class named TSampleShape already exists");
  other::TSampleShape otherObject;
  EXPECT_EQ(ClassInfoOf(&otherObject), otherShape);
}

TEST(TypInfoRegistryTest, CreationByName) {
  std::unique_ptr<TObject> ellipse = FindClass("TSampleEllipse")->Create();
  ASSERT_NE(dynamic_cast<TSampleEllipse*>(ellipse.get()), nullptr);
  EXPECT_EQ(GetOrdProp(ellipse.get(), "Width"), 20);  // its own constructor ran
  EXPECT_FALSE(ClassInfo<TSampleEllipse>()->TakesOwner());

  const TClassInfo* button = FindClass("TSampleButton");
  EXPECT_TRUE(button->CanCreate());
  EXPECT_TRUE(button->TakesOwner());
  TSampleOwner owner;
  TObject* owned = button->CreateOwned(&owner);
  ASSERT_EQ(owner.Items.size(), 1u);
  EXPECT_EQ(owner.Items[0].get(), owned);
  EXPECT_EQ(ClassInfoOf(owned), button);
  EXPECT_EQ(dynamic_cast<TSampleButton*>(owned)->Owner, &owner);

  std::unique_ptr<TObject> loose = button->Create();
  ASSERT_NE(dynamic_cast<TSampleButton*>(loose.get()), nullptr);
  EXPECT_EQ(dynamic_cast<TSampleButton*>(loose.get())->Owner, nullptr);
  EXPECT_EQ(owner.Items.size(), 1u);

  TSampleFont font;
  EXPECT_EQ(Raised([&] { button->CreateOwned(nullptr); }),
            "EInvalidOperation: Class TSampleButton cannot be owned by nil");
  EXPECT_EQ(Raised([&] { button->CreateOwned(&font); }),
            "EInvalidOperation: Class TSampleButton cannot be owned by TSampleFont");
  EXPECT_EQ(Raised([&] { ClassInfo<TSampleShape>()->CreateOwned(&owner); }),
            "EInvalidOperation: Class TSampleShape cannot be owned by TSampleOwner");

  const TClassInfo* abstract = ClassInfo<TSampleAbstract>();
  EXPECT_FALSE(abstract->CanCreate());
  EXPECT_EQ(Raised([&] { abstract->Create(); }),
            "EInvalidOperation: Class TSampleAbstract cannot be created by name");
}

// ---------------------------------------------------------------------------
// Table mistakes are reported when the table is built

TEST(TypInfoTableTest, MistakesInATableRaise) {
  using T = TSampleShape;
  EXPECT_EQ(Raised([] {
              TPublished<T>().Integer("Width", &T::Width).Integer("width", &T::Width);
            }),
            "EPropertyError: Property width is declared twice");
  EXPECT_EQ(Raised([] { TPublished<T>().String("Caption", &T::Caption).Default(0); }),
            "EPropertyError: Invalid property type: string");
  EXPECT_EQ(Raised([] { TPublished<T>().Object("Font", &T::Font).Default(0); }),
            "EPropertyError: Invalid property type: TSampleFont");
  EXPECT_EQ(Raised([] { TPublished<T>().Object("Font", &T::Font).TypeName("TFontRef"); }),
            "EPropertyError: Invalid property type: TSampleFont");
  EXPECT_EQ(Raised([] { TPublished<T>().Stored(false); }), "EInvalidOperation: Invalid operation");
}

}  // namespace
