// Object persistence reading arbitrary JSON into the foundation's classes:
// settings files are JSON documents that name the classes to create.
//
// The document is read into a settings object holding one property of every
// kind persistence handles (numbers, colours, enumerations, sets of texts,
// nested fills and strokes, string lists, pictures as hexadecimal text,
// scaled-bitmap collections, generic lists and dictionaries, component
// references), and separately as a new object of whatever registered class
// its type member names.
//
// Property checked: whatever a document left in the object (also after a
// refused document), the JSON saved for it loads into a fresh object that
// saves the same JSON.

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <memory>

#include "foundation/KitGraphicsTypes.h"
#include "foundation/KitPersistence.h"
#include "foundation/KitTypes.h"
#include "fuzz/support/FuzzSupport.h"
#include "platform/rtl/GenericsCollections.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/Graphics.h"

namespace gc = Generics::Collections;

enum TFuzzShape { fsCircle, fsSquare, fsTriangle };
TF_ENUM_NAMES(TFuzzShape, fsCircle, fsSquare, fsTriangle)

// An item of the object containers.
class TFuzzPoint : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TFuzzPoint)
  QString FName;
  int32_t FX = 0;
  double FWeight = 0;
};
TF_PUBLISHED(TFuzzPoint, TPersistent) {
  return TPublished<TFuzzPoint>()
      .String("Name", &TFuzzPoint::FName, &TFuzzPoint::FName)
      .Integer("X", &TFuzzPoint::FX, &TFuzzPoint::FX)
      .Float("Weight", &TFuzzPoint::FWeight, &TFuzzPoint::FWeight);
}

class TFuzzSettings : public TComponent {
 public:
  TF_DECLARE_PUBLISHED(TFuzzSettings)
  explicit TFuzzSettings(TComponent* AOwner = nullptr) : TComponent(AOwner) {}

  int FCount = 0;
  TColor FColor = 0;
  bool FActive = false;
  TFuzzShape FShape = fsCircle;
  double FRatio = 0;
  float FScale = 1;
  QString FCaption;
  int64_t FBig = 0;
  TDateTime FWhen = 0;
  TComponent* FBuddy = nullptr;
  TNotifyEvent OnClick;
  void Clicked(TObject*) {}

  TKitGraphicsFill* Fill() const { return FFill.get(); }
  void SetFill(TKitGraphicsFill* v) { FFill->Assign(v); }
  TKitGraphicsStroke* Stroke() const { return FStroke.get(); }
  void SetStroke(TKitGraphicsStroke* v) { FStroke->Assign(v); }
  TStringList* Lines() const { return FLines.get(); }
  void SetLines(TStringList* v) { FLines->Assign(v); }
  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* v) { FPicture->Assign(v); }
  TKitScaledBitmaps* Bitmaps() const { return FBitmaps.get(); }
  gc::TList<QString>* Names() const { return FNames.get(); }
  gc::TList<int32_t>* Counts() const { return FCounts.get(); }
  gc::TList<double>* Weights() const { return FWeights.get(); }
  gc::TObjectList<TFuzzPoint>* Points() const { return FPoints.get(); }
  gc::TObjectDictionary<QString, TFuzzPoint>* Named() const { return FNamed.get(); }

 private:
  std::unique_ptr<TKitGraphicsFill> FFill = std::make_unique<TKitGraphicsFill>();
  std::unique_ptr<TKitGraphicsStroke> FStroke = std::make_unique<TKitGraphicsStroke>();
  std::unique_ptr<TStringList> FLines = std::make_unique<TStringList>();
  std::unique_ptr<TPicture> FPicture = std::make_unique<TPicture>();
  std::unique_ptr<TKitScaledBitmaps> FBitmaps = std::make_unique<TKitScaledBitmaps>(this);
  std::unique_ptr<gc::TList<QString>> FNames = std::make_unique<gc::TList<QString>>();
  std::unique_ptr<gc::TList<int32_t>> FCounts = std::make_unique<gc::TList<int32_t>>();
  std::unique_ptr<gc::TList<double>> FWeights = std::make_unique<gc::TList<double>>();
  std::unique_ptr<gc::TObjectList<TFuzzPoint>> FPoints = std::make_unique<gc::TObjectList<TFuzzPoint>>();
  std::unique_ptr<gc::TObjectDictionary<QString, TFuzzPoint>> FNamed =
      std::make_unique<gc::TObjectDictionary<QString, TFuzzPoint>>();
};

TF_PUBLISHED(TFuzzSettings, TComponent) {
  using S = TFuzzSettings;
  return TPublished<S>()
      .Integer("Count", &S::FCount, &S::FCount)
      .Color("Color", &S::FColor, &S::FColor)
      .Boolean("Active", &S::FActive, &S::FActive)
      .Enum("Shape", &S::FShape, &S::FShape)
      .Float("Ratio", &S::FRatio, &S::FRatio)
      .Float("Scale", &S::FScale, &S::FScale)
      .String("Caption", &S::FCaption, &S::FCaption)
      .Int64("Big", &S::FBig, &S::FBig)
      .DateTime("When", &S::FWhen, &S::FWhen)
      .Object("Fill", &S::Fill, &S::SetFill)
      .Object("Stroke", &S::Stroke, &S::SetStroke)
      .Object("Lines", &S::Lines, &S::SetLines)
      .Object("Picture", &S::Picture, &S::SetPicture)
      .Object("Bitmaps", &S::Bitmaps)
      .Object("Names", &S::Names)
      .Object("Counts", &S::Counts)
      .Object("Weights", &S::Weights)
      .Object("Points", &S::Points)
      .Object("Named", &S::Named)
      .Object("Buddy", &S::FBuddy, &S::FBuddy)
      .Event("OnClick", &S::OnClick)
      .Method("Clicked", &S::Clicked);
}

namespace {

QString Save(TObject* AObject) {
  TStringStream stream;
  TKitPersistence::SaveSettingsToStream(AObject, &stream);
  return stream.DataString();
}

void Load(TObject* AObject, const QString& AText) {
  TStringStream stream(AText);
  TKitPersistence::LoadSettingsFromStream(AObject, &stream);
}

// The saved form of what a read left in the object is stable.
void CheckSavedFormReadsBack(TFuzzSettings& AObject) {
  const QString saved = Save(&AObject);
  TFuzzSettings fresh;
  try {
    Load(&fresh, saved);
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s\n%s\n", qPrintable(e.Message()), qPrintable(saved));
    fuzz::Check(false, "the saved settings do not load");
  }
  fuzz::Check(Save(&fresh) == saved, "the saved settings load as other settings");
}

// A small picture's bytes in a format.
QByteArray PictureBytes(const char* AFormat) {
  QImage image(3, 2, QImage::Format_ARGB32);
  image.fill(QColor(200, 30, 60, 180));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, AFormat);
  return bytes;
}

void LoadPicture(TPicture* APicture, const char* AFormat) {
  TBytesStream stream(PictureBytes(AFormat));
  APicture->LoadFromStream(&stream);
}

// The seed corpus: documents saved by persistence itself.
void WriteSeeds(const QString& AFolder) {
  TFuzzSettings full;
  full.SetName(QStringLiteral("Settings"));
  full.FCount = 42;
  full.FColor = 0x0000FF;
  full.FActive = true;
  full.FShape = fsTriangle;
  full.FRatio = 1.5;
  full.FScale = 0.25f;
  full.FCaption = QStringLiteral("a \"quoted\" caption \u00e9t\u00e9 \u20ac");
  full.FBig = int64_t(1) << 40;
  full.FWhen = 45000.75;
  full.FBuddy = &full;
  full.OnClick = [&full](TObject* s) { full.Clicked(s); };
  full.Fill()->SetKind(gfkGradient);
  full.Fill()->SetColor(0x123456);
  full.Fill()->SetColorMirror(-1);
  full.Fill()->AddGradientItem(0x00FF00, 0.25f, 0.5f);
  full.Stroke()->SetWidth(2.5f);
  full.Lines()->Add(QStringLiteral("one"));
  full.Lines()->Add(QStringLiteral("two, with a comma"));
  LoadPicture(full.Picture(), "PNG");
  LoadPicture(full.Bitmaps()->Add(2.0f)->Bitmap(), "BMP");
  full.Bitmaps()->AddBitmapName(QStringLiteral("logo"), 1.5f);
  full.Names()->Add(QStringLiteral("alpha"));
  full.Names()->Add(QString());
  full.Counts()->Add(-3);
  full.Counts()->Add(2147483647);
  full.Weights()->Add(0.1);
  full.Weights()->Add(-1e300);
  auto point = std::make_unique<TFuzzPoint>();
  point->FName = QStringLiteral("p");
  point->FX = 7;
  point->FWeight = 0.5;
  full.Points()->Add(point.release());
  auto named = std::make_unique<TFuzzPoint>();
  named->FName = QStringLiteral("n");
  full.Named()->Add(QStringLiteral("key"), named.release());
  fuzz::WriteSeed(AFolder, QStringLiteral("settings-full.json"), Save(&full).toUtf8());

  TFuzzSettings plain;
  fuzz::WriteSeed(AFolder, QStringLiteral("settings-default.json"), Save(&plain).toUtf8());

  TKitGraphicsFill fill;
  fill.SetKind(gfkGradient);
  fill.AddGradientItem(0xFF0000, 1.0f, 1.0f);
  LoadPicture(fill.Texture(), "JPEG");
  fuzz::WriteSeed(AFolder, QStringLiteral("fill-with-texture.json"), Save(&fill).toUtf8());

  TKitGraphicsStroke stroke;
  stroke.SetColor(0x00FF00);
  fuzz::WriteSeed(AFolder, QStringLiteral("stroke.json"), Save(&stroke).toUtf8());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::QuietMessages();
  fuzz::StartGuiApplication();
  RegisterClasses({ClassInfo<TFuzzSettings>(), ClassInfo<TFuzzPoint>(), ClassInfo<TKitGraphicsFill>(),
                   ClassInfo<TKitGraphicsFillGradientItem>(), ClassInfo<TKitGraphicsStroke>(),
                   ClassInfo<TKitGraphicsFont>(), ClassInfo<TKitGraphicsColorObject>(),
                   ClassInfo<TKitScaledBitmap>(), ClassInfo<TKitSVGImport>(), ClassInfo<TStringList>()});
  fuzz::WriteSeedsWhenAsked(*argc, *argv, WriteSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  {
    TFuzzSettings settings;
    fuzz::Refusable([&] {
      fuzz::TInputStream stream(Data, Size);
      TKitPersistence::LoadSettingsFromStream(&settings, &stream);
    });
    CheckSavedFormReadsBack(settings);
  }

  fuzz::Refusable([&] {
    fuzz::TInputStream stream(Data, Size);
    TKitReader reader(&stream);
    std::unique_ptr<TObject> object = reader.Read(ClassInfo<TPersistent>());
    reader.SolveReferences();
    if (object) Save(object.get());
  });
  return 0;
}
