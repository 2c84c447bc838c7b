// The JSON operations every library class carries: ToJSON and FromJSON
// round trips over the classes, excluded properties, the JSON property and
// the file and stream forms.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "foundation/KitGraphicsTypes.h"
#include "foundation/KitJSONWriter.h"
#include "foundation/KitPersistence.h"
#include "foundation/KitTypes.h"
#include "foundation/KitUtils.h"
#include "platform/rtl/Streams.h"
#include "tests/support/TestSupport.h"

namespace {

// One class under test: a fresh object, a change of several properties, and
// the comparison of those properties.
struct JSONCase {
  const char* name;
  std::function<std::unique_ptr<TObject>()> create;
  std::function<void(TObject*)> modify;
  std::function<bool(TObject*, TObject*)> equal;
};

template <class T>
T* As(TObject* AObject) {
  return dynamic_cast<T*>(AObject);
}

std::vector<JSONCase> Cases() {
  return {
      {"fill", [] { return std::make_unique<TKitGraphicsFill>(); },
       [](TObject* o) {
         auto* f = As<TKitGraphicsFill>(o);
         f->SetKind(gfkGradient);
         f->SetColor(0x123456);
         f->SetColorTo(0x654321);
         f->SetColorMirror(0x111111);
         f->SetOrientation(gfoHorizontal);
         f->SetTextureMode(gtmTile);
       },
       [](TObject* a, TObject* b) {
         auto *x = As<TKitGraphicsFill>(a), *y = As<TKitGraphicsFill>(b);
         return x->Kind() == y->Kind() && x->Color() == y->Color() && x->ColorTo() == y->ColorTo() &&
                x->ColorMirror() == y->ColorMirror() && x->ColorMirrorTo() == y->ColorMirrorTo() &&
                x->Orientation() == y->Orientation() && x->TextureMode() == y->TextureMode();
       }},
      {"stroke", [] { return std::make_unique<TKitGraphicsStroke>(); },
       [](TObject* o) {
         auto* s = As<TKitGraphicsStroke>(o);
         s->SetKind(gskDashDot);
         s->SetColor(0x00FF00);
         s->SetWidth(2.5f);
       },
       [](TObject* a, TObject* b) {
         auto *x = As<TKitGraphicsStroke>(a), *y = As<TKitGraphicsStroke>(b);
         return x->Kind() == y->Kind() && x->Color() == y->Color() && x->Width() == y->Width();
       }},
      {"font", [] { return std::make_unique<TKitGraphicsFont>(); },
       [](TObject* o) {
         auto* f = As<TKitGraphicsFont>(o);
         f->SetName(QStringLiteral("Courier \u00C9"));
         f->SetSize(17);
         f->SetColor(0x0000FF);
       },
       [](TObject* a, TObject* b) {
         auto *x = As<TKitGraphicsFont>(a), *y = As<TKitGraphicsFont>(b);
         return x->Name() == y->Name() && x->Size() == y->Size() && x->Color() == y->Color();
       }},
      {"gradient item", [] { return std::make_unique<TKitGraphicsFillGradientItem>(nullptr); },
       [](TObject* o) {
         auto* i = As<TKitGraphicsFillGradientItem>(o);
         i->SetColor(0x0A0B0C);
         i->SetPosition(0.25f);
         i->SetOpacity(0.5f);
       },
       [](TObject* a, TObject* b) {
         auto *x = As<TKitGraphicsFillGradientItem>(a), *y = As<TKitGraphicsFillGradientItem>(b);
         return x->Color() == y->Color() && x->Position() == y->Position() && x->Opacity() == y->Opacity();
       }},
      {"colour object", [] { return std::make_unique<TKitGraphicsColorObject>(); },
       [](TObject* o) { As<TKitGraphicsColorObject>(o)->SetColor(0xABCDEF); },
       [](TObject* a, TObject* b) {
         return As<TKitGraphicsColorObject>(a)->Color() == As<TKitGraphicsColorObject>(b)->Color();
       }},
      {"scaled bitmap", [] { return std::make_unique<TKitScaledBitmap>(nullptr); },
       [](TObject* o) {
         auto* s = As<TKitScaledBitmap>(o);
         s->SetBitmapName(QStringLiteral("logo"));
         s->SetScale(1.5f);
       },
       [](TObject* a, TObject* b) {
         auto *x = As<TKitScaledBitmap>(a), *y = As<TKitScaledBitmap>(b);
         return x->BitmapName() == y->BitmapName() && x->Scale() == y->Scale();
       }},
      {"SVG options", [] { return std::make_unique<TKitSVGImport>(); },
       [](TObject* o) {
         auto* s = As<TKitSVGImport>(o);
         s->SetGrayScale(true);
         s->SetTintColor(0x202020);
         s->SetCustomOpacity(0.75f);
         s->SetRotationAngle(90);
       },
       [](TObject* a, TObject* b) {
         auto *x = As<TKitSVGImport>(a), *y = As<TKitSVGImport>(b);
         return x->GrayScale() == y->GrayScale() && x->TintColor() == y->TintColor() &&
                x->CustomOpacity() == y->CustomOpacity() && x->RotationAngle() == y->RotationAngle();
       }},
  };
}

// The operations are members of each class; the table reaches them through
// the routines they forward to, and the tests below call the members too.
enum class Form { Text, Property, File, Stream };

void RoundTrip(Form AForm, TObject* ASource, TObject* ATarget, const testsupport::TempDir& ADir) {
  switch (AForm) {
    case Form::Text:
      ObjectFromJSON(ATarget, ObjectToJSON(ASource));
      break;
    case Form::Property:
      ObjectFromJSON(ATarget, ObjectToJSONExcluding(ASource, {}));
      break;
    case Form::File: {
      const QString file = ADir.File(QStringLiteral("object.json"));
      ObjectSaveToJSONFile(ASource, file);
      ObjectLoadFromJSONFile(ATarget, file);
      break;
    }
    case Form::Stream: {
      TMemoryStream stream;
      ObjectSaveToJSONStream(ASource, &stream);
      ObjectLoadFromJSONStream(ATarget, &stream);
      break;
    }
  }
}

}  // namespace

TEST(KitJSONOperations, RoundTripGivesAnEqualObject) {
  testsupport::TempDir dir;
  for (const JSONCase& c : Cases()) {
    for (Form form : {Form::Text, Form::Property, Form::File, Form::Stream}) {
      SCOPED_TRACE(std::string(c.name) + " form " + std::to_string(static_cast<int>(form)));
      auto source = c.create();
      c.modify(source.get());
      auto target = c.create();
      ASSERT_FALSE(c.equal(source.get(), target.get()));  // the change is visible
      RoundTrip(form, source.get(), target.get(), dir);
      EXPECT_TRUE(c.equal(source.get(), target.get()));
    }
  }
}

TEST(KitJSONOperations, MembersForwardWithTheObjectItself) {
  testsupport::TempDir dir;
  TKitGraphicsStroke source;
  source.SetColor(0x010203);
  source.SetWidth(4);
  EXPECT_EQ(source.ToJSON(), ObjectToJSON(&source));
  EXPECT_EQ(source.JSON(), source.ToJSON());

  TKitGraphicsStroke viaProperty;
  viaProperty.SetJSON(source.JSON());
  EXPECT_EQ(viaProperty.Width(), 4.0f);

  TKitGraphicsStroke viaFile;
  source.SaveToJSONFile(dir.File(QStringLiteral("stroke.json")));
  viaFile.LoadFromJSONFile(dir.File(QStringLiteral("stroke.json")));
  EXPECT_EQ(viaFile.Color(), 0x010203);

  TKitGraphicsStroke viaStream;
  TMemoryStream stream;
  source.SaveToJSONStream(&stream);
  viaStream.LoadFromJSONStream(&stream);
  EXPECT_EQ(viaStream.Width(), 4.0f);
  source.Log();  // goes to the debug output; must not throw
}

TEST(KitJSONOperations, ScaledBitmapText) {
  TKitScaledBitmap item(nullptr);
  item.SetBitmapName(QStringLiteral("logo"));
  item.SetScale(1.5f);
  EXPECT_EQ(item.ToJSON(), QStringLiteral(R"({"$type":"TKitScaledBitmap","Bitmap":"","BitmapName":"logo","Scale":1.5})"));
}

TEST(KitJSONOperations, ExcludedPropertiesAreLeftOut) {
  TKitGraphicsStroke stroke;
  stroke.SetWidth(3);
  const TKitExcludePropertyListArray before = ExcludeProperties;
  const QString text = stroke.ToJSON({QStringLiteral("color"), QStringLiteral("Width")});
  EXPECT_FALSE(text.contains(QStringLiteral("\"Color\"")));
  EXPECT_FALSE(text.contains(QStringLiteral("\"Width\"")));
  EXPECT_TRUE(text.contains(QStringLiteral("\"Kind\"")));
  EXPECT_EQ(ExcludeProperties, before);  // the global list is put back
  EXPECT_TRUE(stroke.ToJSON().contains(QStringLiteral("\"Width\"")));
}

TEST(KitJSONOperations, FromJSONNeedsNoTypeMemberAndRestoresTheSettings) {
  const QString typeKey = TypeKeyName;
  TObject* const reference = IOReference;
  TKitGraphicsStroke stroke;
  stroke.FromJSON(QStringLiteral(R"({"Width":6})"));
  EXPECT_EQ(stroke.Width(), 6.0f);
  EXPECT_EQ(TypeKeyName, typeKey);
  EXPECT_EQ(IOReference, reference);

  EXPECT_ANY_THROW(stroke.FromJSON(QStringLiteral(R"({"Width":)")));
  EXPECT_EQ(TypeKeyName, typeKey);
  EXPECT_EQ(IOReference, reference);
}

TEST(KitJSONOperations, GradientItemsThroughTheStreamForm) {
  TKitGraphicsFill sourceFill;
  sourceFill.AddGradientItem(0x112233, 0.25f, 0.5f);
  sourceFill.AddGradientItem(0x445566, 0.75f, 1.0f);
  TMemoryStream stream;
  sourceFill.GradientItems()->SaveToJSONStream(&stream);

  TKitGraphicsFill targetFill;
  targetFill.GradientItems()->LoadFromJSONStream(&stream);
  ASSERT_EQ(targetFill.GradientItems()->Count(), 2);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(targetFill.GradientItems()->Items(i)->Color(), sourceFill.GradientItems()->Items(i)->Color());
    EXPECT_EQ(targetFill.GradientItems()->Items(i)->Position(), sourceFill.GradientItems()->Items(i)->Position());
    EXPECT_EQ(targetFill.GradientItems()->Items(i)->Opacity(), sourceFill.GradientItems()->Items(i)->Opacity());
  }
  EXPECT_EQ(targetFill.GradientItems()->ToJSON(), sourceFill.GradientItems()->ToJSON());
}

TEST(KitGraphicsFillTexture, AssignedCopiedSignalledAndPersisted) {
  TKitGraphicsFill fill;
  int changes = 0;
  fill.OnChanged = [&](TObject*) { ++changes; };
  TKitBitmap picture;
  TBitmap raster;
  raster.SetSize(3, 2);
  picture.SetGraphic(&raster);
  fill.SetTexture(&picture);
  EXPECT_NE(fill.Texture(), &picture);
  EXPECT_EQ(fill.Texture()->Width(), 3);
  EXPECT_GT(changes, 0);

  TKitGraphicsFill copy;
  copy.Assign(&fill);
  EXPECT_EQ(copy.Texture()->Height(), 2);

  TKitGraphicsFill loaded;
  loaded.FromJSON(fill.ToJSON());
  EXPECT_EQ(loaded.Texture()->Width(), 3);
  EXPECT_EQ(loaded.Texture()->Height(), 2);
}

TEST(KitJSONOperations, FoundationHelperClassesCarryTheFamily) {
  TMemoryStream stream;
  TKitJSONWriter writer(&stream);
  TMemoryStream target;
  TKitWriter objectWriter(&target);
  TKitPersistence persistence;
  TKitUtils utils;
  struct Case {
    QString json;
    const char* className;
  };
  const Case cases[] = {
      {objectWriter.ToJSON(), "TKitWriter"},
      {writer.ToJSON(), "TKitJSONWriter"},
      {persistence.JSON(), "TKitPersistence"},
      {utils.ToJSON(), "TKitUtils"},
      {utils.ToJSON({QStringLiteral("Anything")}), "TKitUtils"},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(c.json.startsWith(QStringLiteral("{\"$type\":\"%1\"").arg(QLatin1String(c.className))))
        << c.json.toStdString();
  }
  EXPECT_NO_THROW(persistence.FromJSON(QStringLiteral("{}")));
  EXPECT_NO_THROW(utils.FromJSON(QStringLiteral("{}")));
  EXPECT_EQ(utils.JSON(), utils.ToJSON());
}
