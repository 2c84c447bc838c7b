// Every published class of the foundation saves and loads to an equal object
// through JSON, through component streaming and through TKitUtils::Clone,
// each time as the value of a component's property. Equal means: the same
// JSON text.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <functional>

#include "foundation/KitGraphicsTypes.h"
#include "foundation/KitPersistence.h"
#include "foundation/KitTypes.h"
#include "foundation/KitUtils.h"
#include "platform/rtl/Classes.h"
#include "tests/foundation/PersistenceTestSupport.h"
#include "tests/support/TestSupport.h"

// Makes the object under test; set by each case before a host is made.
std::function<std::unique_ptr<TPersistent>()> gStreamHostValue;

// A component whose one property holds the object under test, so that
// component streaming writes and reads the object as it does any nested
// object, collection, picture or graphic.
class TStreamHost : public TComponent {
 public:
  TF_DECLARE_PUBLISHED(TStreamHost)
  explicit TStreamHost(TComponent* AOwner) : TComponent(AOwner), FValue(gStreamHostValue()) {}
  TPersistent* Value() const { return FValue.get(); }

 private:
  std::unique_ptr<TPersistent> FValue;
};
TF_PUBLISHED(TStreamHost, TComponent) { return TPublished<TStreamHost>().Object("Value", &TStreamHost::Value); }

namespace {

// A stand-in SVG engine: a document is "loaded" when it holds "<g>".
class TStreamingSVGImport : public TKitSVGImport {
 public:
  bool HasElements() override { return FElements > 0; }
  int ElementCount() override { return FElements; }
  void Clear() override { FElements = 0; }
  void LoadFromStream(TStream* AStream) override {
    QByteArray bytes(static_cast<int>(AStream->Size() - AStream->Position()), '\0');
    AStream->ReadBuffer(bytes.data(), bytes.size());
    FElements = static_cast<int>(bytes.count("<g>"));
  }

 private:
  int FElements = 0;
};

using persistencetest::LoadJSON;
using persistencetest::SaveJSON;

QByteArray Encoded(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return bytes;
}

void LoadPicture(TPicture* APicture, const QByteArray& ABytes) {
  TMemoryStream stream;
  stream.WriteBuffer(ABytes.constData(), ABytes.size());
  stream.SetPosition(0);
  APicture->LoadFromStream(&stream);
}

QImage Dots(int w, int h) {
  QImage image(w, h, QImage::Format_ARGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.setPixel(x, y, qRgba(x * 40, y * 60, 200, 255 - x * 10));
  return image;
}

const QByteArray kSvg = "<svg viewBox=\"0 0 10 10\"><g><rect width=\"4\" height=\"4\"/></g>\xC3\xA9</svg>";

void LoadSvg(TKitSVGBitmap* AGraphic) {
  TMemoryStream stream;
  stream.WriteBuffer(kSvg.constData(), kSvg.size());
  AGraphic->LoadFromStream(&stream);
}

struct ClassCase {
  const char* name;
  std::function<std::unique_ptr<TPersistent>()> make;
  std::function<void(TPersistent*)> fill;
  bool publishesState = true;  // false: the class's table is empty
};

template <class T>
std::unique_ptr<TPersistent> Make() {
  if constexpr (std::is_constructible_v<T, TCollection*>) return std::make_unique<T>(nullptr);
  else if constexpr (std::is_constructible_v<T, std::nullptr_t>) return std::make_unique<T>(nullptr);
  else return std::make_unique<T>();
}

template <class T>
std::function<void(TPersistent*)> Filler(std::function<void(T*)> fill) {
  return [fill](TPersistent* p) { fill(dynamic_cast<T*>(p)); };
}

std::vector<ClassCase> Cases() {
  return {
      {"TKitSVGImport", Make<TKitSVGImport>, Filler<TKitSVGImport>([](TKitSVGImport* s) {
         s->SetGrayScale(true);
         s->SetCustomFillColor(0x123456);
         s->SetTintColor(0);
         s->SetCustomOpacity(0.5f);
         s->SetRotationAngle(30);
       })},
      {"TKitSVGBitmap", Make<TKitSVGBitmap>, Filler<TKitSVGBitmap>(LoadSvg)},
      {"TKitBitmap (PNG)", Make<TKitBitmap>,
       Filler<TKitBitmap>([](TKitBitmap* b) { LoadPicture(b, Encoded(Dots(5, 4), "PNG")); })},
      {"TKitBitmap (SVG)", Make<TKitBitmap>, Filler<TKitBitmap>([](TKitBitmap* b) {
         TKitSVGBitmap svg;
         LoadSvg(&svg);
         b->SetGraphic(&svg);
       })},
      {"TKitScaledBitmap", Make<TKitScaledBitmap>, Filler<TKitScaledBitmap>([](TKitScaledBitmap* s) {
         LoadPicture(s->Bitmap(), Encoded(Dots(3, 3), "BMP"));
         s->SetBitmapName(u"logo été"_qs);
         s->SetScale(1.5f);
       })},
      {"TKitScaledBitmaps", Make<TKitScaledBitmaps>, Filler<TKitScaledBitmaps>([](TKitScaledBitmaps* s) {
         s->AddBitmapName(u"small"_qs, 1.0f);
         TKitScaledBitmap* large = s->Add(2.0f);
         LoadPicture(large->Bitmap(), Encoded(Dots(6, 6), "PNG"));
       })},
      {"TKitGraphicsFillGradientItem", Make<TKitGraphicsFillGradientItem>,
       Filler<TKitGraphicsFillGradientItem>([](TKitGraphicsFillGradientItem* i) {
         i->SetColor(0x00FF00);
         i->SetOpacity(0.25f);
         i->SetPosition(0.75f);
       })},
      {"TKitGraphicsFillGradientItems", Make<TKitGraphicsFillGradientItems>,
       Filler<TKitGraphicsFillGradientItems>([](TKitGraphicsFillGradientItems* items) {
         items->Add()->SetColor(0x0000FF);
         items->Add()->SetPosition(1.0f);
       })},
      {"TKitCustomGraphicsFill", Make<TKitCustomGraphicsFill>,
       Filler<TKitCustomGraphicsFill>([](TKitCustomGraphicsFill* f) { f->SetColor(0x0000FF); }), false},
      {"TKitGraphicsFill", Make<TKitGraphicsFill>, Filler<TKitGraphicsFill>([](TKitGraphicsFill* f) {
         f->SetKind(gfkTexture);
         f->SetOrientation(gfoHorizontal);
         f->SetColor(0x0000FF);
         f->SetColorTo(-1);
         f->SetColorMirror(0x00FF00);
         f->SetTextureMode(gtmTile);
         LoadPicture(f->Texture(), Encoded(Dots(4, 2), "PNG"));
       })},
      {"TKitCustomGraphicsStroke", Make<TKitCustomGraphicsStroke>,
       Filler<TKitCustomGraphicsStroke>([](TKitCustomGraphicsStroke* s) { s->SetWidth(3); }), false},
      {"TKitGraphicsStroke", Make<TKitGraphicsStroke>, Filler<TKitGraphicsStroke>([](TKitGraphicsStroke* s) {
         s->SetKind(gskDashDot);
         s->SetColor(0x102030);
         s->SetWidth(0);  // stored although 0: the default is 1
       })},
      {"TKitGraphicsFont", Make<TKitGraphicsFont>, Filler<TKitGraphicsFont>([](TKitGraphicsFont* f) {
         f->SetName(u"DejaVu Sans"_qs);
         f->SetSize(17);
         f->SetColor(0x0000FF);
         f->SetStyle(TFontStyles{fsBold, fsUnderline});
       })},
  };
}

class KitClassesStreamingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TKitSVGImport::SetSVGImportFactory([] { return std::make_unique<TStreamingSVGImport>(); });
    RegisterClasses({ClassInfo<TStreamHost>()});
  }
  void TearDown() override {
    TKitSVGImport::SetSVGImportFactory({});
    gStreamHostValue = nullptr;
  }
};

}  // namespace

TEST_F(KitClassesStreamingTest, EveryFoundationClassIsCovered) {
  // The published classes of the foundation; a new one belongs in Cases().
  QStringList covered;
  for (const ClassCase& c : Cases()) covered << QString::fromLatin1(c.name).section(u' ', 0, 0);
  for (const char* name :
       {"TKitSVGImport", "TKitSVGBitmap", "TKitBitmap", "TKitScaledBitmap", "TKitScaledBitmaps",
        "TKitGraphicsFillGradientItem", "TKitGraphicsFillGradientItems", "TKitCustomGraphicsFill", "TKitGraphicsFill",
        "TKitCustomGraphicsStroke", "TKitGraphicsStroke", "TKitGraphicsFont"}) {
    ASSERT_NE(GetClass(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_TRUE(covered.contains(QString::fromLatin1(name))) << name;
  }
  // TKitGraphicsColorObject is no persistent object: component streaming
  // cannot hold it, JSON can.
  TKitGraphicsColorObject color(0x0000FF), back;
  LoadJSON(&back, SaveJSON(&color));
  EXPECT_EQ(back.Color(), 0x0000FF);
}

TEST_F(KitClassesStreamingTest, JSONRoundTripGivesAnEqualObject) {
  // Through the host, as pictures and graphics are JSON texts, which cannot
  // stand as a document of their own.
  for (const ClassCase& c : Cases()) {
    gStreamHostValue = c.make;
    TStreamHost source(nullptr);
    const QString pristine = SaveJSON(&source);
    c.fill(source.Value());
    const QString json = SaveJSON(&source);
    if (c.publishesState) {
      EXPECT_NE(json, pristine) << c.name << ": the filled values are saved";
    }
    TStreamHost target(nullptr);
    LoadJSON(&target, json);
    EXPECT_EQ(SaveJSON(&target), json) << c.name;
  }
}

TEST_F(KitClassesStreamingTest, ComponentStreamingAndCloneGiveAnEqualObject) {
  for (const ClassCase& c : Cases()) {
    gStreamHostValue = c.make;
    TStreamHost host(nullptr);
    c.fill(host.Value());
    const QString json = SaveJSON(&host);

    TMemoryStream stream;
    stream.WriteComponent(&host);
    stream.SetPosition(0);
    std::unique_ptr<TComponent> read = stream.ReadComponent();
    ASSERT_NE(dynamic_cast<TStreamHost*>(read.get()), nullptr) << c.name;
    EXPECT_EQ(SaveJSON(read.get()), json) << c.name << ": component streaming";

    std::unique_ptr<TComponent> clone = TKitUtils::Clone(&host);
    ASSERT_NE(dynamic_cast<TStreamHost*>(clone.get()), nullptr) << c.name;
    EXPECT_EQ(SaveJSON(clone.get()), json) << c.name << ": clone";
  }
}
