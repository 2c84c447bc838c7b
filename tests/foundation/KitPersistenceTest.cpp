// Object persistence: golden JSON, round trips through JSON and component
// streaming, bad input, the separators, and undo over the real routines.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <functional>

#include "foundation/KitGraphicsTypes.h"
#include "foundation/KitPersistence.h"
#include "foundation/KitUndo.h"
#include "foundation/KitUtils.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/Graphics.h"
#include "tests/foundation/PersistenceTestSupport.h"
#include "tests/support/TestSupport.h"

enum TPersistShape { psCircle, psSquare, psTriangle };
TF_ENUM_NAMES(TPersistShape, psCircle, psSquare, psTriangle)

// A component holding one property of every kind persistence handles.
class TPersistSample : public TComponent {
 public:
  TF_DECLARE_PUBLISHED(TPersistSample)
  explicit TPersistSample(TComponent* AOwner = nullptr)
      : TComponent(AOwner), FFill(std::make_unique<TKitGraphicsFill>()), FLines(std::make_unique<TStringList>()),
        FPicture(std::make_unique<TPicture>()) {}

  int Count() const { return FCount; }
  void SetCount(int v) { FCount = v; }
  TColor Color() const { return FColor; }
  void SetColor(TColor v) { FColor = v; }
  bool Active() const { return FActive; }
  void SetActive(bool v) { FActive = v; }
  TPersistShape Shape() const { return FShape; }
  void SetShape(TPersistShape v) { FShape = v; }
  double Ratio() const { return FRatio; }
  void SetRatio(double v) { FRatio = v; }
  QString Caption() const { return FCaption; }
  void SetCaption(const QString& v) { FCaption = v; }
  int64_t Big() const { return FBig; }
  void SetBig(int64_t v) { FBig = v; }
  TKitGraphicsFill* Fill() const { return FFill.get(); }
  void SetFill(TKitGraphicsFill* v) { FFill->Assign(v); }
  TStringList* Lines() const { return FLines.get(); }
  void SetLines(TStringList* v) { FLines->Assign(v); }
  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* v) { FPicture->Assign(v); }
  TComponent* Buddy() const { return FBuddy; }
  void SetBuddy(TComponent* v) { FBuddy = v; }
  void Clicked(TObject*) {}
  TNotifyEvent OnClick;

 private:
  int FCount = 0;
  TColor FColor = 0;
  bool FActive = false;
  TPersistShape FShape = psCircle;
  double FRatio = 0;
  QString FCaption;
  int64_t FBig = 0;
  std::unique_ptr<TKitGraphicsFill> FFill;
  std::unique_ptr<TStringList> FLines;
  std::unique_ptr<TPicture> FPicture;
  TComponent* FBuddy = nullptr;
};

TF_PUBLISHED(TPersistSample, TComponent) {
  using S = TPersistSample;
  return TPublished<S>()
      .Integer("Count", &S::Count, &S::SetCount)
      .Color("Color", &S::Color, &S::SetColor)
      .Boolean("Active", &S::Active, &S::SetActive)
      .Enum("Shape", &S::Shape, &S::SetShape)
      .Float("Ratio", &S::Ratio, &S::SetRatio)
      .String("Caption", &S::Caption, &S::SetCaption)
      .Int64("Big", &S::Big, &S::SetBig)
      .Object("Fill", &S::Fill, &S::SetFill)
      .Object("Lines", &S::Lines, &S::SetLines)
      .Object("Picture", &S::Picture, &S::SetPicture)
      .Object("Buddy", &S::Buddy, &S::SetBuddy)
      .Event("OnClick", &S::OnClick)
      .Method("Clicked", &S::Clicked);
}

namespace {

using persistencetest::LoadJSON;
using persistencetest::SaveJSON;

// A small red 2 x 1 PNG.
std::unique_ptr<TPicture> RedPicture() {
  auto png = std::make_unique<TMemoryStream>();
  QImage image(2, 1, QImage::Format_RGB32);
  image.fill(Qt::red);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  png->Write(bytes.constData(), bytes.size());
  png->SetPosition(0);
  auto picture = std::make_unique<TPicture>();
  picture->LoadFromStream(png.get());
  return picture;
}

void Fill(TPersistSample& s) {
  s.SetCount(42);
  s.SetColor(0x0000FF);
  s.SetActive(true);
  s.SetShape(psTriangle);
  s.SetRatio(1.5);
  s.SetCaption(u"a \"quoted\" caption"_qs);
  s.SetBig(int64_t(1) << 40);
  s.Fill()->SetColor(0x123456);
  s.Fill()->SetColorMirror(-1);
  s.Fill()->SetKind(gfkGradient);
  s.Lines()->Add(u"one"_qs);
  s.Lines()->Add(u"two"_qs);
  auto picture = RedPicture();
  s.Picture()->Assign(picture.get());
}

void ExpectEqual(const TPersistSample& a, const TPersistSample& b, bool AContainers = true) {
  EXPECT_EQ(a.Count(), b.Count());
  EXPECT_EQ(a.Color(), b.Color());
  EXPECT_EQ(a.Active(), b.Active());
  EXPECT_EQ(a.Shape(), b.Shape());
  EXPECT_DOUBLE_EQ(a.Ratio(), b.Ratio());
  EXPECT_EQ(a.Caption(), b.Caption());
  EXPECT_EQ(a.Big(), b.Big());
  EXPECT_EQ(a.Fill()->Color(), b.Fill()->Color());
  EXPECT_EQ(a.Fill()->Kind(), b.Fill()->Kind());
  EXPECT_EQ(a.Fill()->ColorMirror(), b.Fill()->ColorMirror());
  if (!AContainers) return;
  EXPECT_EQ(a.Lines()->Text(), b.Lines()->Text());
  ASSERT_EQ(a.Picture()->Graphic() != nullptr, b.Picture()->Graphic() != nullptr);
  if (a.Picture()->Graphic()) {
    EXPECT_EQ(a.Picture()->Graphic()->ClassName(), b.Picture()->Graphic()->ClassName());
    EXPECT_EQ(a.Picture()->Graphic()->ToImage(), b.Picture()->Graphic()->ToImage());
  }
}

class KitPersistenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterClasses({ClassInfo<TPersistSample>(), ClassInfo<TKitGraphicsFillGradientItem>()});
  }
  void TearDown() override {
    TypeKeyName = u"$type"_qs;
    ExcludeProperties.clear();
    RootObject = nullptr;
    IOReference = nullptr;
  }
};

TEST_F(KitPersistenceTest, GoldenDocumentOfAFill) {
  TKitGraphicsFill fill;
  fill.SetColor(0x0000FF);
  fill.SetColorTo(-1);
  fill.AddGradientItem(0x00FF00, 0.5f, 1.0f);
  const QString json = SaveJSON(&fill);
  EXPECT_TRUE(json.startsWith(u"{\"$type\":\"TKitGraphicsFill\",\"Color\":\"#FF0000\""_qs)) << (json).toStdString();
  EXPECT_TRUE(json.contains(u"\"ColorTo\":\"gcNull\""_qs)) << (json).toStdString();
  EXPECT_TRUE(json.contains(u"\"OnChanged\":null"_qs)) << (json).toStdString();
}

TEST_F(KitPersistenceTest, GoldenDocumentOfTheSample) {
  TPersistSample s;
  Fill(s);
  const QString json = SaveJSON(&s);
  // Members sorted by name, the type member first, colours as #RRGGBB,
  // pictures as upper-case hexadecimal text of their PNG bytes.
  const QStringList order = {u"\"$type\":\"TPersistSample\""_qs, u"\"Active\":true"_qs,
                             u"\"Big\":1099511627776"_qs, u"\"Buddy\":\"\""_qs,
                             u"\"Caption\":\"a \\u0022quoted\\u0022 caption\""_qs, u"\"Color\":\"#FF0000\""_qs,
                             u"\"Count\":42"_qs, u"\"Fill\":{\"$type\":\"TKitGraphicsFill\""_qs,
                             u"\"Lines\":[\"one\",\"two\"]"_qs, u"\"Picture\":\"89504E47"_qs,
                             u"\"Ratio\":1.5"_qs, u"\"Shape\":2"_qs};
  int at = -1;
  for (const QString& part : order) {
    const int found = json.indexOf(part);
    ASSERT_GT(found, at) << (part + u" in "_qs + json).toStdString();
    at = found;
  }
}

TEST_F(KitPersistenceTest, CollectionsAreArraysOfTypedObjects) {
  TKitGraphicsFill a, b;
  a.AddGradientItem(0x00FF00, 0.25f, 0.5f);
  a.AddGradientItem(0xFF0000, 1.0f, 1.0f);
  const QString json = SaveJSON(a.GradientItems());
  EXPECT_EQ(json, u"[{\"$type\":\"TKitGraphicsFillGradientItem\",\"Color\":\"#00FF00\",\"Opacity\":0.5,"
                  "\"Position\":0.25},{\"$type\":\"TKitGraphicsFillGradientItem\",\"Color\":\"#0000FF\","
                  "\"Opacity\":1,\"Position\":1}]"_qs);
  b.AddGradientItem(0x111111, 0, 1);
  LoadJSON(b.GradientItems(), json);
  ASSERT_EQ(b.GradientItems()->Count(), 2);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(b.GradientItems()->Items(i)->Color(), a.GradientItems()->Items(i)->Color());
    EXPECT_FLOAT_EQ(b.GradientItems()->Items(i)->Position(), a.GradientItems()->Items(i)->Position());
    EXPECT_FLOAT_EQ(b.GradientItems()->Items(i)->Opacity(), a.GradientItems()->Items(i)->Opacity());
  }
}

TEST_F(KitPersistenceTest, RoundTripThroughJSON) {
  TPersistSample a, b;
  Fill(a);
  LoadJSON(&b, SaveJSON(&a));
  ExpectEqual(a, b);
}

TEST_F(KitPersistenceTest, RoundTripThroughComponentStreaming) {
  RegisterClasses({ClassInfo<TPersistSample>()});
  TPersistSample a, b;
  Fill(a);
  TMemoryStream stream;
  stream.WriteComponent(&a);
  stream.SetPosition(0);
  stream.ReadComponent(&b);
  ExpectEqual(a, b);
}

TEST_F(KitPersistenceTest, CloneCarriesLinesAndPictures) {
  struct Case {
    const char* what;
    std::function<void(TPicture&)> picture;
  };
  const Case cases[] = {
      {"png", [](TPicture& p) { p.Assign(RedPicture().get()); }},
      {"bmp",
       [](TPicture& p) {
         QImage image(3, 2, QImage::Format_RGB32);
         image.fill(Qt::blue);
         p.Bitmap()->AssignImage(image);
       }},
      {"empty", [](TPicture&) {}},
  };
  for (const Case& c : cases) {
    TPersistSample a;
    Fill(a);
    a.Lines()->Clear();
    for (const QString& line : {u"ligne été"_qs, QString(), u"日本語"_qs, QString()}) a.Lines()->Add(line);
    a.Picture()->Assign(nullptr);
    c.picture(*a.Picture());
    std::unique_ptr<TComponent> clone = TKitUtils::Clone(&a);
    auto* b = dynamic_cast<TPersistSample*>(clone.get());
    ASSERT_NE(b, nullptr) << c.what;
    ExpectEqual(a, *b);
    EXPECT_EQ(b->Lines()->Count(), 4) << c.what;
    EXPECT_EQ(SaveJSON(b), SaveJSON(&a)) << c.what;
  }
}

TEST_F(KitPersistenceTest, ColoursReadInEitherCase) {
  const struct {
    QString Text;
    TColor Expected;
  } cases[] = {{u"#00FF00"_qs, 0x00FF00}, {u"#FF0000"_qs, 0x0000FF}, {u"#0000ff"_qs, 0xFF0000}, {u"gcNull"_qs, -1}};
  for (const auto& c : cases) {
    TPersistSample s;
    TypeKeyName.clear();
    LoadJSON(&s, u"{\"Color\":\"%1\"}"_qs.arg(c.Text));
    EXPECT_EQ(s.Color(), c.Expected) << (c.Text).toStdString();
  }
  TPersistSample s;
  EXPECT_THROW(LoadJSON(&s, u"{\"Color\":\"#12\"}"_qs), EKitReaderException);
}

TEST_F(KitPersistenceTest, FontSizeInPixelsBecomesPoints) {
  TypeKeyName.clear();
  TFont font;
  LoadJSON(&font, u"{\"Size\":16,\"IsQPZ\":true}"_qs);
  EXPECT_EQ(font.Size(), 12);
  LoadJSON(&font, u"{\"Size\":16,\"IsQPZ\":false}"_qs);
  EXPECT_EQ(font.Size(), 16);
  TypeKeyName = u"$type"_qs;
  EXPECT_TRUE(SaveJSON(&font).contains(u"\"Size\":16,\"IsQPZ\":false"_qs));
}

TEST_F(KitPersistenceTest, TypeMemberRequiredUnlessTheKeyIsOff) {
  TPersistSample s;
  try {
    LoadJSON(&s, u"{\"Count\":3}"_qs);
    FAIL() << "no error";
  } catch (const EKitReaderException& e) {
    EXPECT_EQ(e.Message(), u"\"$type\" property not found in Object descriptor."_qs);
  }
  TypeKeyName.clear();
  LoadJSON(&s, u"{\"Count\":3,\"Unknown\":[1,{\"x\":2}],\"Caption\":\"c\"}"_qs);
  EXPECT_EQ(s.Count(), 3);
  EXPECT_EQ(s.Caption(), u"c"_qs);
}

TEST_F(KitPersistenceTest, ExcludedMembersSkippedBothWays) {
  TPersistSample s;
  s.SetCount(5);
  ExcludeProperties = {u"count"_qs};
  EXPECT_FALSE(SaveJSON(&s).contains(u"Count"_qs));
  LoadJSON(&s, u"{\"$type\":\"TPersistSample\",\"Count\":9}"_qs);
  EXPECT_EQ(s.Count(), 5);
}

TEST_F(KitPersistenceTest, SeparatorsRestoredAfterSaveAndLoad) {
  const QChar decimal = FormatSettings.DecimalSeparator, thousand = FormatSettings.ThousandSeparator;
  FormatSettings.DecimalSeparator = u',';
  FormatSettings.ThousandSeparator = u'.';
  TPersistSample a, b;
  a.SetRatio(2.25);
  const QString json = SaveJSON(&a);
  EXPECT_TRUE(json.contains(u"\"Ratio\":2.25"_qs)) << (json).toStdString();
  EXPECT_EQ(FormatSettings.DecimalSeparator, u',');
  LoadJSON(&b, json);
  EXPECT_DOUBLE_EQ(b.Ratio(), 2.25);
  EXPECT_EQ(FormatSettings.DecimalSeparator, u',');
  EXPECT_EQ(FormatSettings.ThousandSeparator, u'.');
  EXPECT_THROW(LoadJSON(&b, u"{\"$type\":\"TPersistSample\",\"Ratio\":"_qs), Exception);
  EXPECT_EQ(FormatSettings.DecimalSeparator, u',');
  FormatSettings.DecimalSeparator = decimal;
  FormatSettings.ThousandSeparator = thousand;
}

TEST_F(KitPersistenceTest, BadInputRaisesTheReadersError) {
  TPersistSample a;
  Fill(a);
  const QString good = SaveJSON(&a);
  // Every truncation of a good document fails cleanly.
  for (int len = 0; len < good.size(); len += 7) {
    TPersistSample s;
    EXPECT_ANY_THROW(LoadJSON(&s, good.left(len))) << len;
  }
  const QString deep = QString(u"{\"$type\":\"TPersistSample\",\"Unknown\":"_qs) + QString(400, u'[') +
                       QString(400, u']') + u"}"_qs;
  const QString malformed[] = {deep, u"{\"$type\":\"TPersistSample\",\"Count\":}"_qs,
                               u"{\"$type\":\"TPersistSample\" \"Count\":1}"_qs, u"[1,2"_qs,
                               u"{\"$type\":\"TPersistSample\",\"Picture\":\"89ZZ\"}"_qs};
  for (const QString& text : malformed) {
    TPersistSample s;
    EXPECT_ANY_THROW(LoadJSON(&s, text)) << (text).toStdString();
  }
}

TEST_F(KitPersistenceTest, CreateObjectErrors) {
  try {
    TKitPersistence::CreateObject(u"TNoSuchClass"_qs, nullptr);
    FAIL();
  } catch (const EKitReaderException& e) {
    EXPECT_EQ(e.Message(), u"Type \"TNoSuchClass\" not found"_qs);
  }
  try {
    TKitPersistence::CreateObject(u"TPersistSample"_qs, ClassInfo<TCollectionItem>());
    FAIL();
  } catch (const EKitReaderException& e) {
    EXPECT_EQ(e.Message(), u"Type \"TPersistSample\" does not inherit from TCollectionItem"_qs);
  }
  EXPECT_NE(dynamic_cast<TPersistSample*>(TKitPersistence::CreateObject(u"TPersistSample"_qs, nullptr).get()),
            nullptr);
}

TEST_F(KitPersistenceTest, EventsAndReferencesThroughTheRootObject) {
  TComponent root(nullptr);
  auto* buddy = new TPersistSample(&root);
  buddy->SetName(u"Buddy1"_qs);
  TPersistSample s;
  s.SetBuddy(buddy);
  s.OnClick = [](TObject*) {};
  EXPECT_TRUE(SaveJSON(&s).contains(u"\"OnClick\":null"_qs));  // no root object
  RootObject = &s;
  s.OnClick = std::any_cast<TNotifyEvent>(MethodAddress(&s, u"Clicked"_qs)->Bind(&s));
  const QString json = SaveJSON(&s);
  EXPECT_TRUE(json.contains(u"\"OnClick\":\"Clicked\""_qs)) << (json).toStdString();
  EXPECT_TRUE(json.contains(u"\"Buddy\":\"Buddy1\""_qs)) << (json).toStdString();
  TPersistSample t;
  RootObject = &root;
  t.SetBuddy(nullptr);
  LoadJSON(&t, u"{\"$type\":\"TPersistSample\",\"Buddy\":\"Buddy1\"}"_qs);
  EXPECT_EQ(t.Buddy(), buddy);
}

TEST_F(KitPersistenceTest, UndoCyclesThroughThePersistence) {
  KitPersistenceStartUp();
  TPersistSample s;
  s.SetCount(1);
  TKitUndoManager undo(&s);
  undo.PushState(u"A"_qs);
  s.SetCount(2);
  s.Lines()->Add(u"x"_qs);
  undo.PushState(u"B"_qs);
  undo.Undo();
  EXPECT_EQ(s.Count(), 1);
  EXPECT_EQ(s.Lines()->Count(), 0);
  undo.Redo();
  EXPECT_EQ(s.Count(), 2);
  EXPECT_EQ(s.Lines()->Count(), 1);
  SetKitUndoStateIO({});
}

}  // namespace
