#include <gtest/gtest.h>

#include <QByteArray>
#include <QStringList>
#include <functional>
#include <memory>

#include "platform/rtl/Classes.h"
#include "tests/support/TestSupport.h"

// Test classes live at global scope so that ClassName() gives plain names.

enum TProbeKind { pkNone, pkFirst, pkSecond };
TF_ENUM_NAMES(TProbeKind, pkNone, pkFirst, pkSecond)
enum TProbeOption { poAlpha, poBeta, poGamma };
TF_ENUM_NAMES(TProbeOption, poAlpha, poBeta, poGamma)
using TProbeOptions = TSet<TProbeOption>;

// A nested persistent object, streamed under dotted names.
class TProbeFont : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TProbeFont)
  QString FName = QStringLiteral("Sans");
  int32_t FSize = 8;
  TProbeOptions FStyle;
  QString Name() const { return FName; }
  void SetName(const QString& v) { FName = v; }
};

TF_PUBLISHED(TProbeFont, TPersistent) {
  return TPublished<TProbeFont>()
      .String("Name", &TProbeFont::Name, &TProbeFont::SetName)
      .Integer("Size", &TProbeFont::FSize, &TProbeFont::FSize)
      .Default(8)
      .Set("Style", &TProbeFont::FStyle, &TProbeFont::FStyle)
      .Default(TProbeOptions());
}

class TProbeItem : public TCollectionItem {
 public:
  TF_DECLARE_PUBLISHED(TProbeItem)
  explicit TProbeItem(TCollection* Collection) : TCollectionItem(Collection) {}
  QString FCaption;
  int32_t FValue = 0;
};

TF_PUBLISHED(TProbeItem, TCollectionItem) {
  return TPublished<TProbeItem>()
      .String("Caption", &TProbeItem::FCaption, &TProbeItem::FCaption)
      .Integer("Value", &TProbeItem::FValue, &TProbeItem::FValue)
      .Default(0);
}

class TProbeComponent;

// What the probes saw while being read.
struct TProbeLog {
  QStringList Loaded;
  bool SawReadingStates = false;
};
TProbeLog* gProbeLog = nullptr;

class TProbeComponent : public TComponent {
 public:
  TF_DECLARE_PUBLISHED(TProbeComponent)
  explicit TProbeComponent(TComponent* AOwner) : TComponent(AOwner) {
    FItems = TOwnedCollection::Create<TProbeItem>(this);
  }

  int32_t Count() const { return FCount; }
  void SetCount(int32_t v) {
    FCount = v;
    if (gProbeLog && ComponentState().Contains(csReading) && ComponentState().Contains(csLoading))
      gProbeLog->SawReadingStates = true;
  }
  TProbeFont* Font() const { return FFont.get(); }
  TOwnedCollection* Items() const { return FItems.get(); }
  void Ping(TObject* Sender) { FPinged = Sender; }

  int32_t FCount = 0;
  int8_t FSmall = 0;
  uint32_t FWide = 0;
  int64_t FBig = 0;
  double FRatio = 0;
  float FScale = 0;
  double FWhen = 0;
  QChar FLetter;
  QString FText;
  bool FFlag = false;
  TProbeKind FKind = pkNone;
  TProbeOptions FOptions;
  QVariant FData;
  float FWeight = 1;  // stored when not 1
  TComponent* FBuddy = nullptr;
  TNotifyEvent OnPing;
  TObject* FPinged = nullptr;
  QByteArray FBlob;
  QList<int> FExtra;

 protected:
  void Loaded() override {
    TComponent::Loaded();
    if (gProbeLog) gProbeLog->Loaded << Name();
  }
  void DefineProperties(TFiler* Filer) override {
    TComponent::DefineProperties(Filer);
    Filer->DefineBinaryProperty(
        QStringLiteral("Blob"),
        [this](TStream* s) {
          FBlob.resize(static_cast<qsizetype>(s->Size()));
          s->ReadBuffer(FBlob.data(), FBlob.size());
        },
        [this](TStream* s) { s->WriteBuffer(FBlob.constData(), FBlob.size()); }, !FBlob.isEmpty());
    Filer->DefineProperty(
        QStringLiteral("Extra"),
        [this](TReader* r) {
          FExtra.clear();
          r->ReadListBegin();
          while (!r->EndOfList()) FExtra << r->ReadInteger();
          r->ReadListEnd();
        },
        [this](TWriter* w) {
          w->WriteListBegin();
          for (int v : FExtra) w->WriteInteger(v);
          w->WriteListEnd();
        },
        !FExtra.isEmpty());
  }

 private:
  std::unique_ptr<TProbeFont> FFont = std::make_unique<TProbeFont>();
  std::unique_ptr<TOwnedCollection> FItems;
};

TF_PUBLISHED(TProbeComponent, TComponent) {
  return TPublished<TProbeComponent>()
      .Integer("Count", &TProbeComponent::Count, &TProbeComponent::SetCount)
      .Default(0)
      .Integer("Small", &TProbeComponent::FSmall, &TProbeComponent::FSmall)
      .Default(0)
      .Integer("Wide", &TProbeComponent::FWide, &TProbeComponent::FWide)
      .Default(0)
      .Int64("Big", &TProbeComponent::FBig, &TProbeComponent::FBig)
      .Float("Ratio", &TProbeComponent::FRatio, &TProbeComponent::FRatio)
      .Float("Scale", &TProbeComponent::FScale, &TProbeComponent::FScale)
      .DateTime("When", &TProbeComponent::FWhen, &TProbeComponent::FWhen)
      .Char("Letter", &TProbeComponent::FLetter, &TProbeComponent::FLetter)
      .Default(0)
      .String("Text", &TProbeComponent::FText, &TProbeComponent::FText)
      .Boolean("Flag", &TProbeComponent::FFlag, &TProbeComponent::FFlag)
      .Default(false)
      .Enum("Kind", &TProbeComponent::FKind, &TProbeComponent::FKind)
      .Default(pkNone)
      .Set("Options", &TProbeComponent::FOptions, &TProbeComponent::FOptions)
      .Default(TProbeOptions())
      .Variant("Data", &TProbeComponent::FData, &TProbeComponent::FData)
      .Float("Weight", &TProbeComponent::FWeight, &TProbeComponent::FWeight)
      .Stored([](const TProbeComponent& c) { return c.FWeight != 1; })
      .Object("Font", &TProbeComponent::Font)
      .Object("Items", &TProbeComponent::Items)
      .Object("Buddy", &TProbeComponent::FBuddy, &TProbeComponent::FBuddy)
      .Event("OnPing", &TProbeComponent::OnPing)
      .Method("Ping", &TProbeComponent::Ping);
}

// The smallest component, for the exact byte layout.
class TGoldenComp : public TComponent {
 public:
  TF_DECLARE_PUBLISHED(TGoldenComp)
  explicit TGoldenComp(TComponent* AOwner) : TComponent(AOwner) {}
  int32_t FCount = 0;
  QString FText;
  bool FFlag = false;
};

TF_PUBLISHED(TGoldenComp, TComponent) {
  return TPublished<TGoldenComp>()
      .Integer("Count", &TGoldenComp::FCount, &TGoldenComp::FCount)
      .Default(0)
      .String("Text", &TGoldenComp::FText, &TGoldenComp::FText)
      .Boolean("Flag", &TGoldenComp::FFlag, &TGoldenComp::FFlag)
      .Default(false);
}

namespace {

QByteArray WriteToBytes(TComponent* c) {
  TBytesStream stream;
  stream.WriteComponent(c);
  return stream.Bytes();
}

std::unique_ptr<TComponent> ReadFromBytes(const QByteArray& bytes) {
  TBytesStream stream(bytes);
  return stream.ReadComponent();
}

template <class E>
QString ReadError(const QByteArray& bytes) {
  try {
    ReadFromBytes(bytes);
  } catch (const E& e) {
    return e.Message();
  }
  return QStringLiteral("<no error>");
}

// "TPF0", then a component of class Cls named Name with the given property
// bytes and children bytes.
QByteArray Str(const QByteArray& s) { return QByteArray(1, static_cast<char>(s.size())) + s; }
QByteArray Comp(const QByteArray& cls, const QByteArray& name, const QByteArray& props,
                const QByteArray& children = QByteArray()) {
  return Str(cls) + Str(name) + props + QByteArray(1, vaNull) + children + QByteArray(1, vaNull);
}
QByteArray Signed(const QByteArray& component) { return QByteArray("TPF0") + component; }

class ComponentStreamingTest : public ::testing::Test {
 protected:
  void SetUp() override { gProbeLog = &log; }
  void TearDown() override { gProbeLog = nullptr; }
  TProbeLog log;
};

}  // namespace

TEST_F(ComponentStreamingTest, GoldenBytesOfASmallComponent) {
  TGoldenComp c(nullptr);
  c.SetName(QStringLiteral("G1"));
  QByteArray expected = QByteArray("TPF0") + Str("TGoldenComp") + Str("G1");
  expected += QByteArray(1, vaNull) + QByteArray(1, vaNull);
  EXPECT_EQ(WriteToBytes(&c), expected) << "a component at its defaults writes only its names";

  c.FCount = 300;
  c.FText = QStringLiteral("Hi");
  c.FFlag = true;
  c.SetTag(-2);
  expected = QByteArray("TPF0") + Str("TGoldenComp") + Str("G1");
  expected += Str("Tag") + QByteArray("\x02\xFE", 2);
  expected += Str("Count") + QByteArray("\x03\x2C\x01", 3);
  expected += Str("Text") + QByteArray("\x06\x02Hi", 4);
  expected += Str("Flag") + QByteArray(1, vaTrue);
  expected += QByteArray(1, vaNull) + QByteArray(1, vaNull);
  EXPECT_EQ(WriteToBytes(&c), expected);

  auto back = ReadFromBytes(expected);
  auto* g = dynamic_cast<TGoldenComp*>(back.get());
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->Name(), QStringLiteral("G1"));
  EXPECT_EQ(g->FCount, 300);
  EXPECT_EQ(g->FText, QStringLiteral("Hi"));
  EXPECT_TRUE(g->FFlag);
  EXPECT_EQ(g->Tag(), -2);
}

TEST_F(ComponentStreamingTest, EveryPropertyKindRoundTrips) {
  struct Case {
    const char* what;
    std::function<void(TProbeComponent&)> set;
    std::function<void(const TProbeComponent&, const TProbeComponent&)> check;
  };
  const QString longText(300, u'x');
  const Case cases[] = {
      {"integers", [](TProbeComponent& c) { c.SetCount(-70000); c.FSmall = -5; c.FWide = 4000000000u; },
       [](const TProbeComponent& a, const TProbeComponent& b) {
         EXPECT_EQ(b.FCount, a.FCount);
         EXPECT_EQ(b.FSmall, a.FSmall);
         EXPECT_EQ(b.FWide, a.FWide);
       }},
      {"int64", [](TProbeComponent& c) { c.FBig = -(int64_t{1} << 40); },
       [](const TProbeComponent& a, const TProbeComponent& b) { EXPECT_EQ(b.FBig, a.FBig); }},
      {"floats", [](TProbeComponent& c) { c.FRatio = 1.0 / 3.0; c.FScale = 2.5f; c.FWhen = 45000.75; },
       [](const TProbeComponent& a, const TProbeComponent& b) {
         EXPECT_EQ(b.FRatio, a.FRatio);
         EXPECT_EQ(b.FScale, a.FScale);
         EXPECT_EQ(b.FWhen, a.FWhen);
       }},
      {"char", [](TProbeComponent& c) { c.FLetter = QChar(0x20AC); },
       [](const TProbeComponent& a, const TProbeComponent& b) { EXPECT_EQ(b.FLetter, a.FLetter); }},
      {"short ascii text", [](TProbeComponent& c) { c.FText = QStringLiteral("plain"); },
       [](const TProbeComponent& a, const TProbeComponent& b) { EXPECT_EQ(b.FText, a.FText); }},
      {"long ascii text", [longText](TProbeComponent& c) { c.FText = longText; },
       [](const TProbeComponent& a, const TProbeComponent& b) { EXPECT_EQ(b.FText, a.FText); }},
      {"utf-8 text", [](TProbeComponent& c) { c.FText = QStringLiteral("café crème"); },
       [](const TProbeComponent& a, const TProbeComponent& b) { EXPECT_EQ(b.FText, a.FText); }},
      {"utf-16 text", [](TProbeComponent& c) { c.FText = QStringLiteral("日本語"); },
       [](const TProbeComponent& a, const TProbeComponent& b) { EXPECT_EQ(b.FText, a.FText); }},
      {"boolean, enumeration, set",
       [](TProbeComponent& c) { c.FFlag = true; c.FKind = pkSecond; c.FOptions = {poAlpha, poGamma}; },
       [](const TProbeComponent& a, const TProbeComponent& b) {
         EXPECT_EQ(b.FFlag, a.FFlag);
         EXPECT_EQ(b.FKind, a.FKind);
         EXPECT_EQ(b.FOptions, a.FOptions);
       }},
      {"variant text", [](TProbeComponent& c) { c.FData = QStringLiteral("v"); },
       [](const TProbeComponent& a, const TProbeComponent& b) { EXPECT_EQ(b.FData, a.FData); }},
      {"variant number", [](TProbeComponent& c) { c.FData = 2.25; },
       [](const TProbeComponent& a, const TProbeComponent& b) { EXPECT_EQ(b.FData.toDouble(), 2.25); }},
      {"float stored by predicate, zero", [](TProbeComponent& c) { c.FWeight = 0; },
       [](const TProbeComponent&, const TProbeComponent& b) { EXPECT_EQ(b.FWeight, 0.0f); }},
      {"nested object", [](TProbeComponent& c) { c.Font()->FName = QStringLiteral("Mono"); c.Font()->FSize = 12; c.Font()->FStyle = {poBeta}; },
       [](const TProbeComponent& a, const TProbeComponent& b) {
         EXPECT_EQ(b.Font()->FName, a.Font()->FName);
         EXPECT_EQ(b.Font()->FSize, a.Font()->FSize);
         EXPECT_EQ(b.Font()->FStyle, a.Font()->FStyle);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TProbeComponent source(nullptr);
    source.SetName(QStringLiteral("Probe"));
    c.set(source);
    auto back = ReadFromBytes(WriteToBytes(&source));
    auto* read = dynamic_cast<TProbeComponent*>(back.get());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->Name(), QStringLiteral("Probe"));
    c.check(source, *read);
  }
}

TEST_F(ComponentStreamingTest, ValueKindsChosenByContent) {
  struct Case {
    QString text;
    TValueType kind;
  };
  const Case cases[] = {{QStringLiteral("abc"), vaString},
                        {QString(256, u'a'), vaLString},
                        {QStringLiteral("caf\u00e9s"), vaUTF8String},
                        {QStringLiteral("\u00e9"), vaWString},
                        {QStringLiteral("\u65e5\u672c"), vaWString}};
  for (const Case& c : cases) {
    TBytesStream stream;
    TWriter writer(&stream);
    writer.WriteString(c.text);
    ASSERT_GT(stream.Size(), 0);
    EXPECT_EQ(static_cast<TValueType>(stream.Bytes().at(0)), c.kind) << c.text.toStdString();
    stream.SetPosition(0);
    TReader reader(&stream);
    EXPECT_EQ(reader.ReadString(), c.text);
  }
  struct IntCase {
    Int64 value;
    TValueType kind;
    int size;
  };
  const IntCase ints[] = {{0, vaInt8, 2},          {-128, vaInt8, 2},        {128, vaInt16, 3},
                          {-32769, vaInt32, 5},    {int64_t{1} << 31, vaInt64, 9}};
  for (const IntCase& c : ints) {
    TBytesStream stream;
    TWriter(&stream).WriteInteger(c.value);
    EXPECT_EQ(static_cast<TValueType>(stream.Bytes().at(0)), c.kind) << c.value;
    EXPECT_EQ(stream.Size(), c.size) << c.value;
    stream.SetPosition(0);
    EXPECT_EQ(TReader(&stream).ReadInt64(), c.value);
  }
  // Extended precision keeps every double exactly.
  for (double v : {0.0, -0.0, 1.0, -2.5, 1e-310, 1.7976931348623157e308, 3.141592653589793}) {
    TBytesStream stream;
    TWriter(&stream).WriteFloat(v);
    EXPECT_EQ(stream.Size(), 11);
    stream.SetPosition(0);
    const double back = TReader(&stream).ReadFloat();
    EXPECT_EQ(back, v);
    EXPECT_EQ(std::signbit(back), std::signbit(v));
  }
}

TEST_F(ComponentStreamingTest, DefaultsAreLeftOut) {
  TProbeComponent c(nullptr);
  c.SetName(QStringLiteral("P"));
  c.Font()->FName.clear();
  const QByteArray bytes = WriteToBytes(&c);
  // The collection is always written (as an empty one), nothing else.
  EXPECT_EQ(bytes, Signed(Comp("TProbeComponent", "P", Str("Items") + QByteArray("\x0E\x00", 2))));
  c.FWeight = 1;
  c.Font()->FSize = 8;
  EXPECT_EQ(WriteToBytes(&c), bytes);
  c.Font()->FSize = 9;
  EXPECT_TRUE(WriteToBytes(&c).contains(Str("Font.Size")));
}

TEST_F(ComponentStreamingTest, CollectionItemsRoundTrip) {
  TProbeComponent c(nullptr);
  for (int i = 0; i < 3; ++i) {
    auto* item = static_cast<TProbeItem*>(c.Items()->Add());
    item->FCaption = QStringLiteral("item %1").arg(i);
    item->FValue = i * 10;
  }
  TProbeComponent target(nullptr);
  target.Items()->Add();  // replaced by the stream's items
  TBytesStream stream(WriteToBytes(&c));
  stream.ReadComponent(&target);
  ASSERT_EQ(target.Items()->Count(), 3);
  for (int i = 0; i < 3; ++i) {
    auto* item = static_cast<TProbeItem*>(target.Items()->Items(i));
    EXPECT_EQ(item->FCaption, QStringLiteral("item %1").arg(i));
    EXPECT_EQ(item->FValue, i * 10);
  }
}

TEST_F(ComponentStreamingTest, ChildComponentsReferencesAndLoaded) {
  TProbeComponent root(nullptr);
  root.SetName(QStringLiteral("Root"));
  auto* a = new TProbeComponent(&root);
  a->SetName(QStringLiteral("A"));
  a->SetCount(1);
  auto* b = new TGoldenComp(&root);
  b->SetName(QStringLiteral("B"));
  b->FText = QStringLiteral("bee");
  auto* inner = new TProbeComponent(a);
  inner->SetName(QStringLiteral("Inner"));
  inner->SetCount(3);
  root.FBuddy = inner;  // written as "A.Inner"
  a->FBuddy = b;        // a forward reference to a later sibling
  inner->FBuddy = &root;

  auto back = ReadFromBytes(WriteToBytes(&root));
  auto* r = dynamic_cast<TProbeComponent*>(back.get());
  ASSERT_NE(r, nullptr);
  ASSERT_EQ(r->ComponentCount(), 2);
  auto* ra = dynamic_cast<TProbeComponent*>(r->Components(0));
  auto* rb = dynamic_cast<TGoldenComp*>(r->Components(1));
  ASSERT_NE(ra, nullptr);
  ASSERT_NE(rb, nullptr);
  EXPECT_EQ(ra->Name(), QStringLiteral("A"));
  EXPECT_EQ(ra->Count(), 1);
  EXPECT_EQ(rb->FText, QStringLiteral("bee"));
  ASSERT_EQ(ra->ComponentCount(), 1);
  auto* rinner = dynamic_cast<TProbeComponent*>(ra->Components(0));
  ASSERT_NE(rinner, nullptr);
  EXPECT_EQ(rinner->Owner(), ra);
  EXPECT_EQ(rinner->Count(), 3);
  EXPECT_EQ(r->FBuddy, rinner);
  EXPECT_EQ(ra->FBuddy, rb);
  EXPECT_EQ(rinner->FBuddy, r);

  EXPECT_EQ(log.Loaded, (QStringList{"Root", "A", "Inner"}));
  EXPECT_TRUE(log.SawReadingStates);
  for (TComponent* c : {static_cast<TComponent*>(r), static_cast<TComponent*>(ra), static_cast<TComponent*>(rb),
                        static_cast<TComponent*>(rinner)}) {
    EXPECT_FALSE(c->ComponentState().Contains(csLoading)) << c->Name().toStdString();
    EXPECT_FALSE(c->ComponentState().Contains(csReading)) << c->Name().toStdString();
  }
  EXPECT_FALSE(root.ComponentState().Contains(csWriting));
}

TEST_F(ComponentStreamingTest, EventsBoundToPublishedMethodsRoundTrip) {
  TProbeComponent root(nullptr);
  auto* child = new TProbeComponent(&root);
  child->SetName(QStringLiteral("C"));
  TMethod method;
  method.Code = MethodAddress(&root, QStringLiteral("Ping"));
  method.Data = &root;
  SetMethodProp(child, "OnPing", method);
  root.OnPing = [](TObject*) {};  // a handler without a name is not written

  const QByteArray bytes = WriteToBytes(&root);
  EXPECT_EQ(bytes.count(QByteArray("OnPing")), 1);
  auto back = ReadFromBytes(bytes);
  auto* r = static_cast<TProbeComponent*>(back.get());
  auto* c = static_cast<TProbeComponent*>(r->Components(0));
  ASSERT_TRUE(static_cast<bool>(c->OnPing));
  EXPECT_FALSE(static_cast<bool>(r->OnPing));
  c->OnPing(c);
  EXPECT_EQ(r->FPinged, c);
}

TEST_F(ComponentStreamingTest, DefinedAndBinaryPropertiesRoundTrip) {
  TProbeComponent c(nullptr);
  c.FBlob = QByteArray("\x00\x01\xFFpicture", 10);
  c.FExtra = {1, -2, 300000};
  c.Font()->FName.clear();  // empty: left out, so the defined data follows Items
  const QByteArray bytes = WriteToBytes(&c);
  const QByteArray blob = Str("Blob") + QByteArray(1, vaBinary) + QByteArray("\x0A\x00\x00\x00", 4) + c.FBlob;
  EXPECT_TRUE(bytes.contains(blob));
  TProbeComponent target(nullptr);
  TBytesStream stream(bytes);
  stream.ReadComponent(&target);
  EXPECT_EQ(target.FBlob, c.FBlob);
  EXPECT_EQ(target.FExtra, c.FExtra);
}

TEST_F(ComponentStreamingTest, DamagedStreamsRaiseTheirErrors) {
  const QByteArray intProp = Str("Count") + QByteArray("\x02\x05", 2);
  struct Case {
    const char* what;
    QByteArray bytes;
    QString message;
  };
  const Case cases[] = {
      {"wrong signature", QByteArray("TPF1") + Comp("TGoldenComp", "G", ""), "Invalid stream format"},
      {"empty stream", QByteArray(), "Stream read error"},
      {"unknown property", Signed(Comp("TGoldenComp", "G", Str("Bogus") + QByteArray("\x02\x01", 2))),
       "Property Bogus does not exist"},
      {"unknown nested property", Signed(Comp("TProbeComponent", "P", Str("Font.Bogus") + QByteArray("\x02\x01", 2))),
       "Property Font.Bogus does not exist"},
      {"text for an integer", Signed(Comp("TGoldenComp", "G", Str("Count") + QByteArray("\x06\x01x", 3))),
       "Invalid property value"},
      {"unknown enumeration value", Signed(Comp("TProbeComponent", "P", Str("Kind") + QByteArray(1, vaIdent) + Str("pkThird"))),
       "Invalid property value"},
      {"unknown set element", Signed(Comp("TProbeComponent", "P", Str("Options") + QByteArray(1, vaSet) + Str("poDelta") + Str(""))),
       "Invalid property value"},
      {"integer out of its range", Signed(Comp("TProbeComponent", "P", Str("Small") + QByteArray("\x03\x00\x01", 3))),
       "Invalid property value"},
      {"unknown method", Signed(Comp("TProbeComponent", "P", Str("OnPing") + QByteArray(1, vaIdent) + Str("Nope"))),
       "Invalid property value"},
      {"length past the end", Signed(Comp("TGoldenComp", "G", Str("Text") + QByteArray("\x0C\xFF\xFF\x00\x00" "ab", 7))),
       "Stream read error"},
      {"negative length", Signed(Comp("TGoldenComp", "G", Str("Text") + QByteArray("\x12\xFF\xFF\xFF\xFF", 5))),
       "Stream read error"},
      {"list end missing", Signed(Str("TGoldenComp") + Str("G") + intProp), "Stream read error"},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadError<EReadError>(c.bytes), c.message) << c.what;

  EXPECT_EQ(ReadError<EClassNotFound>(Signed(Comp("TNoSuchThing", "X", ""))), "Class TNoSuchThing not found");
  EXPECT_EQ(ReadError<EClassNotFound>(Signed(Comp("TGoldenComp", "G", "", Comp("TNoSuchChild", "X", "")))),
            "Class TNoSuchChild not found");
  EXPECT_EQ(ReadError<EClassNotFound>(Signed(Comp("TProbeFont", "X", ""))), "Class TProbeFont not found")
      << "a class that is no component";
}

TEST_F(ComponentStreamingTest, EveryTruncationFailsCleanly) {
  TProbeComponent root(nullptr);
  root.SetName(QStringLiteral("Root"));
  root.FText = QStringLiteral("some text");
  root.FRatio = 2.5;
  root.FOptions = {poBeta};
  root.FBlob = QByteArray("blob");
  static_cast<TProbeItem*>(root.Items()->Add())->FCaption = QStringLiteral("x");
  auto* child = new TGoldenComp(&root);
  child->SetName(QStringLiteral("Kid"));
  child->FFlag = true;
  const QByteArray bytes = WriteToBytes(&root);
  for (qsizetype n = 0; n < bytes.size(); ++n) {
    TProbeComponent target(nullptr);
    TBytesStream stream(bytes.left(n));
    EXPECT_THROW(stream.ReadComponent(&target), EReadError) << "cut at " << n;
    EXPECT_EQ(target.ComponentCount(), 0) << "children made by the failed read are gone, cut at " << n;
    EXPECT_FALSE(target.ComponentState().Contains(csLoading));
    EXPECT_FALSE(target.ComponentState().Contains(csReading));
  }
  EXPECT_TRUE(log.Loaded.isEmpty());
}

TEST_F(ComponentStreamingTest, NestingBeyondTheLimitIsRejected) {
  QByteArray nested = Comp("TGoldenComp", "G", "");
  for (int depth = 0; depth < 300; ++depth)
    nested = Comp("TGoldenComp", "G" + QByteArray::number(depth), "", nested);
  EXPECT_EQ(ReadError<EReadError>(Signed(nested)), "Invalid stream format");
}

TEST_F(ComponentStreamingTest, ReadingIntoAnInstanceIgnoresTheStoredClassName) {
  TGoldenComp source(nullptr);
  source.FCount = 7;
  source.SetName(QStringLiteral("Named"));
  TGoldenComp target(nullptr);
  TBytesStream stream(WriteToBytes(&source));
  EXPECT_EQ(stream.ReadComponent(&target), &target);
  EXPECT_EQ(target.FCount, 7);
  EXPECT_EQ(target.Name(), QStringLiteral("Named"));
  EXPECT_THROW(stream.ReadComponent(static_cast<TComponent*>(nullptr)), EInvalidOperation);
}

// ---------------------------------------------------------------------------
// String lists: their lines travel as the defined property "Strings".

class TLinesComp : public TComponent {
 public:
  TF_DECLARE_PUBLISHED(TLinesComp)
  explicit TLinesComp(TComponent* AOwner) : TComponent(AOwner) {}
  TStringList* Lines() const { return FLines.get(); }
  void SetLines(TStringList* v) { FLines->Assign(v); }
  int32_t FAfter = 0;

 private:
  std::unique_ptr<TStringList> FLines = std::make_unique<TStringList>();
};

TF_PUBLISHED(TLinesComp, TComponent) {
  return TPublished<TLinesComp>()
      .Object("Lines", &TLinesComp::Lines, &TLinesComp::SetLines)
      .Integer("After", &TLinesComp::FAfter, &TLinesComp::FAfter)
      .Default(0);
}

namespace {

// The bytes of a TLinesComp named L whose Lines property carries Block
// (value bytes) as "Lines.Strings", followed by After = 7.
QByteArray LinesStream(const QByteArray& block) {
  return Signed(Comp("TLinesComp", "L", Str("Lines.Strings") + block + Str("After") + QByteArray("\x02\x07", 2)));
}

}  // namespace

TEST_F(ComponentStreamingTest, StringListLinesTravelAsStrings) {
  TLinesComp c(nullptr);
  c.SetName(QStringLiteral("L"));
  const QStringList lines = {u"été"_qs, QString(), u"plain"_qs, QString(), u"日本"_qs, QString()};
  for (const QString& line : lines) c.Lines()->Add(line);
  c.FAfter = 7;
  // A list of strings: UTF-8 where it is shorter than UTF-16, empty lines as
  // empty short strings, the trailing empty line kept.
  QByteArray block(1, vaList);
  block += QByteArray(1, vaUTF8String) + QByteArray("\x05\x00\x00\x00", 4) + QByteArray("\xC3\xA9t\xC3\xA9");
  block += QByteArray("\x06\x00", 2);
  block += QByteArray("\x06\x05plain", 7);
  block += QByteArray("\x06\x00", 2);
  block += QByteArray(1, vaWString) + QByteArray("\x02\x00\x00\x00", 4) + QByteArray("\xE5\x65\x2C\x67", 4);
  block += QByteArray("\x06\x00", 2);
  block += QByteArray(1, vaNull);
  const QByteArray bytes = WriteToBytes(&c);
  EXPECT_EQ(bytes, LinesStream(block));

  auto back = ReadFromBytes(bytes);
  auto* l = dynamic_cast<TLinesComp*>(back.get());
  ASSERT_NE(l, nullptr);
  ASSERT_EQ(l->Lines()->Count(), lines.size());
  for (int i = 0; i < lines.size(); ++i) EXPECT_EQ(l->Lines()->Strings(i), lines.at(i)) << i;
  EXPECT_EQ(l->FAfter, 7);

  // No lines: nothing written, and reading leaves the lines of the target.
  TLinesComp empty(nullptr);
  EXPECT_FALSE(WriteToBytes(&empty).contains("Strings"));
  TLinesComp target(nullptr);
  target.Lines()->Add(u"kept"_qs);
  TBytesStream stream(WriteToBytes(&empty));
  stream.ReadComponent(&target);
  EXPECT_EQ(target.Lines()->Count(), 1);
}

TEST_F(ComponentStreamingTest, DamagedStringsRaiseReadErrorsAndKeepTheLines) {
  const QByteArray list = QByteArray(1, vaList);
  const QByteArray end = QByteArray(1, vaNull);
  struct Case {
    const char* what;
    QByteArray bytes;
    QString message;
  };
  const Case cases[] = {
      {"not a list", LinesStream(QByteArray("\x06\x01x", 3)), "Invalid property value"},
      {"an integer among the strings", LinesStream(list + QByteArray("\x06\x01x\x02\x05", 5) + end),
       "Invalid property value"},
      {"a set among the strings", LinesStream(list + QByteArray(1, vaSet) + Str("") + end), "Invalid property value"},
      {"length past the end", LinesStream(list + QByteArray("\x0C\xFF\xFF\xFF\x7F" "ab", 7) + end),
       "Stream read error"},
      {"negative wide length", LinesStream(list + QByteArray("\x12\xFE\xFF\xFF\xFF", 5) + end), "Stream read error"},
      {"short string past the end", Signed(Str("TLinesComp") + Str("L") + Str("Lines.Strings") + list +
                                           QByteArray("\x06\x09" "abc", 5)),
       "Stream read error"},
      {"list never ended", Signed(Str("TLinesComp") + Str("L") + Str("Lines.Strings") + list +
                                  QByteArray("\x06\x01x", 3)),
       "Stream read error"},
  };
  for (const Case& c : cases) {
    TLinesComp target(nullptr);
    target.Lines()->Add(u"kept"_qs);
    TBytesStream stream(c.bytes);
    try {
      stream.ReadComponent(&target);
      ADD_FAILURE() << c.what << ": no error";
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message(), c.message) << c.what;
    }
    EXPECT_EQ(target.Lines()->Text(), u"kept\r\n"_qs) << c.what;
  }

  // Every cut of a good stream fails with a read error.
  TLinesComp source(nullptr);
  source.Lines()->Add(u"été"_qs);
  source.Lines()->Add(QString());
  source.Lines()->Add(QString(300, u'x'));
  const QByteArray good = WriteToBytes(&source);
  for (qsizetype n = 0; n < good.size(); ++n) {
    TLinesComp target(nullptr);
    TBytesStream stream(good.left(n));
    EXPECT_THROW(stream.ReadComponent(&target), EReadError) << "cut at " << n;
  }
}
