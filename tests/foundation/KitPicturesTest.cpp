// The picture base types: the SVG graphic with and without an SVG engine,
// its form data, the picture format registration, scaled bitmaps and the
// picture routines.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <limits>

#include "foundation/KitGraphicsSVGEngine.h"
#include "foundation/KitTypes.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Graphics.h"
#include "tests/support/TestSupport.h"

namespace {

// A stand-in SVG engine: the document is its text; "viewBox a b c d" sets
// the view box, a text holding "broken" fails to parse, "<g>" counts as an
// element.
class TFakeSVGImport : public TKitSVGImport {
 public:
  static inline int DrawCount = 0;
  bool HasElements() override { return FElements > 0; }
  int ElementCount() override { return FElements; }
  void Clear() override {
    FElements = 0;
    FViewRect = TRectF{};
  }
  void Draw(TCanvas*, const TRectF&, bool) override { ++DrawCount; }
  void LoadFromStream(TStream* AStream) override {
    QByteArray bytes(static_cast<int>(AStream->Size() - AStream->Position()), '\0');
    AStream->ReadBuffer(bytes.data(), bytes.size());
    Clear();
    if (bytes.contains("broken")) throw EConvertError("broken document");
    FElements = static_cast<int>(bytes.count("<g>"));
    const int at = bytes.indexOf("viewBox ");
    if (at >= 0) {
      const QList<QByteArray> parts = bytes.mid(at + 8).split(' ');
      if (parts.size() >= 4)
        FViewRect = TRectF{parts[0].toFloat(), parts[1].toFloat(), parts[0].toFloat() + parts[2].toFloat(),
                           parts[1].toFloat() + parts[3].toFloat()};
    }
  }

 private:
  int FElements = 0;
};

// Announces the stand-in engine for the life of a test.
class WithFakeEngine {
 public:
  WithFakeEngine() {
    TKitSVGImport::SetSVGImportFactory([] { return std::make_unique<TFakeSVGImport>(); });
  }
  ~WithFakeEngine() { TKitSVGImport::SetSVGImportFactory({}); }
};

const QByteArray kDocument = "<svg viewBox 0 0 100 50 ><g></g>\xC3\xA9\r\n</svg>";

void LoadBytes(TKitSVGBitmap& AGraphic, const QByteArray& ABytes) {
  TMemoryStream stream;
  stream.WriteBuffer(ABytes.constData(), ABytes.size());
  stream.SetPosition(ABytes.size() / 2);  // the whole stream counts, not the rest
  AGraphic.LoadFromStream(&stream);
}

QByteArray StoredBytes(const TKitSVGBitmap& AGraphic) {
  const TMemoryStream* data = AGraphic.Data();
  return QByteArray(static_cast<const char*>(const_cast<TMemoryStream*>(data)->Memory()),
                    static_cast<int>(const_cast<TMemoryStream*>(data)->Size()));
}

QByteArray StreamBytes(TMemoryStream& AStream) {
  return QByteArray(static_cast<const char*>(AStream.Memory()), static_cast<int>(AStream.Size()));
}

}  // namespace

TEST(KitSVGImport, DefaultsAndAbstractOperations) {
  TKitSVGImport import;
  EXPECT_EQ(import.TintColor(), -1);
  EXPECT_EQ(import.CustomFillColor(), -1);
  EXPECT_EQ(import.CustomStrokeColor(), -1);
  EXPECT_EQ(import.CustomOpacity(), -1.0f);
  EXPECT_FALSE(import.GrayScale());
  TMemoryStream stream;
  EXPECT_THROW(import.HasElements(), EAbstractError);
  EXPECT_THROW(import.ElementCount(), EAbstractError);
  EXPECT_THROW(import.LoadFromStream(&stream), EAbstractError);
  EXPECT_THROW(import.Draw(nullptr, TRectF{}, true), EAbstractError);
  EXPECT_THROW(import.GenerateBitmap(1, 1), EAbstractError);
}

TEST(KitSVGBitmap, WithoutAFactoryTheEngineParses) {
  TKitSVGBitmap graphic;
  LoadBytes(graphic, kDocument);
  ASSERT_NE(dynamic_cast<TKitGraphicsSVGImport*>(graphic.SVG()), nullptr) << "the SVG engine's document";
  // Not well-formed XML: the bytes are kept, the graphic is empty.
  EXPECT_FALSE(graphic.HasSVG());
  EXPECT_TRUE(graphic.Empty());
  EXPECT_EQ(graphic.Width(), 0);
  EXPECT_EQ(graphic.Height(), 0);
  EXPECT_EQ(StoredBytes(graphic), kDocument);
  EXPECT_TRUE(graphic.ToImage().isNull());

  const QByteArray real = "<svg viewBox=\"0 0 100 50\"><rect width=\"10\" height=\"10\"/></svg>";
  LoadBytes(graphic, real);
  EXPECT_TRUE(graphic.HasSVG());
  EXPECT_EQ(graphic.Width(), 100);
  EXPECT_EQ(graphic.Height(), 50);
  EXPECT_EQ(graphic.ToImage().size(), QSize(100, 50));

  // A document that fails to load, or is too large for any picture, has no
  // size.
  for (const QByteArray& bytes : {QByteArray("<svg><path d='M0 0 L5'/></svg>"),
                                  QByteArray("<svg viewBox='0 0 1e30 1e30'><rect width='1' height='1'/></svg>"),
                                  QByteArray("<svg viewBox='0 0 -5 -5'><rect width='1' height='1'/></svg>")}) {
    LoadBytes(graphic, bytes);
    EXPECT_EQ(graphic.Width(), 0) << bytes.constData();
    EXPECT_EQ(graphic.Height(), 0) << bytes.constData();
    EXPECT_TRUE(graphic.ToImage().isNull()) << bytes.constData();
  }
}

TEST(KitSVGBitmap, WithEngineParsesTheDocument) {
  WithFakeEngine engine;
  TKitSVGBitmap graphic;
  int changes = 0;
  graphic.OnChange = [&](TObject*) { ++changes; };
  LoadBytes(graphic, kDocument);
  EXPECT_EQ(changes, 1);
  ASSERT_NE(graphic.SVG(), nullptr);
  EXPECT_TRUE(graphic.HasSVG());
  EXPECT_FALSE(graphic.Empty());
  EXPECT_EQ(graphic.Width(), 100);
  EXPECT_EQ(graphic.Height(), 50);

  // A document that does not parse is kept, signalled, and has no elements.
  LoadBytes(graphic, "<svg broken>");
  EXPECT_EQ(changes, 2);
  EXPECT_FALSE(graphic.HasSVG());
  EXPECT_EQ(StoredBytes(graphic), QByteArray("<svg broken>"));

  // Clear drops the document but keeps the bytes.
  LoadBytes(graphic, kDocument);
  graphic.Clear();
  EXPECT_FALSE(graphic.HasSVG());
  EXPECT_EQ(StoredBytes(graphic), kDocument);
}

TEST(KitSVGBitmap, AssignCopiesBytesOnlyFromSVGGraphics) {
  WithFakeEngine engine;
  TKitSVGBitmap source;
  LoadBytes(source, kDocument);
  TKitSVGBitmap copy;
  static_cast<TPersistent&>(copy).Assign(&source);
  EXPECT_EQ(StoredBytes(copy), kDocument);
  EXPECT_TRUE(copy.HasSVG());

  TBitmap bitmap;
  bitmap.SetSize(2, 2);
  copy.Assign(&bitmap);  // ignored
  EXPECT_EQ(StoredBytes(copy), kDocument);

  TKitSVGBitmap broken;
  LoadBytes(broken, "broken");
  int changes = 0;
  copy.OnChange = [&](TObject*) { ++changes; };
  copy.Assign(&broken);
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(copy.HasSVG());
  EXPECT_EQ(StoredBytes(copy), QByteArray("broken"));
}

TEST(KitSVGBitmap, FormDataRoundTrip) {
  // The bytes round-trip whatever they hold; the stand-in parses them all.
  WithFakeEngine engine;
  for (const QByteArray& bytes : {QByteArray(), kDocument, QByteArray("\0\1\2\xFF", 4)}) {
    SCOPED_TRACE(bytes.toHex().toStdString());
    TKitSVGBitmap graphic;
    LoadBytes(graphic, bytes);
    TMemoryStream data;
    graphic.WriteData(&data);
    const QByteArray written = StreamBytes(data);
    ASSERT_EQ(written.size(), bytes.size() + 4);
    const qint32 count = static_cast<qint32>(static_cast<quint8>(written[0]) | static_cast<quint8>(written[1]) << 8 |
                                             static_cast<quint8>(written[2]) << 16 |
                                             static_cast<quint8>(written[3]) << 24);
    EXPECT_EQ(count, bytes.size());
    EXPECT_EQ(written.mid(4), bytes);

    TKitSVGBitmap back;
    data.SetPosition(0);
    back.ReadData(&data);
    EXPECT_EQ(StoredBytes(back), bytes);
    EXPECT_TRUE(back.Equals(&graphic));
  }
}

TEST(KitSVGBitmap, FormDataRoundTripWithTheEngine) {
  // The real document comes back from the form data parsed: same size,
  // same picture.
  const QByteArray svg = "<svg viewBox='0 0 20 10'><rect width='10' height='10' fill='#ff0000'/></svg>";
  TKitSVGBitmap graphic;
  LoadBytes(graphic, svg);
  ASSERT_TRUE(graphic.HasSVG());
  TMemoryStream data;
  graphic.WriteData(&data);
  TKitSVGBitmap back;
  data.SetPosition(0);
  back.ReadData(&data);
  ASSERT_TRUE(back.HasSVG());
  EXPECT_EQ(back.Width(), 20);
  EXPECT_EQ(back.Height(), 10);
  EXPECT_EQ(StoredBytes(back), svg);
  const QImage before = graphic.ToImage(), after = back.ToImage();
  ASSERT_EQ(after.size(), QSize(20, 10));
  EXPECT_EQ(after, before);
  EXPECT_EQ(after.pixelColor(5, 5).red(), 255);
  EXPECT_EQ(after.pixelColor(5, 5).green(), 0);
}

TEST(KitSVGBitmap, FormDataWithBadCountIsRejected) {
  struct Case {
    const char* name;
    QByteArray data;
  };
  auto withCount = [](qint32 n, const QByteArray& rest) {
    QByteArray d(4, '\0');
    for (int i = 0; i < 4; ++i) d[i] = static_cast<char>((static_cast<quint32>(n) >> (8 * i)) & 0xFF);
    return d + rest;
  };
  const Case cases[] = {
      {"one beyond", withCount(6, "<svg>")},
      {"far beyond", withCount(std::numeric_limits<qint32>::max(), "<svg>")},
      {"negative", withCount(-1, "<svg>")},
      {"short header", QByteArray("\x05\x00", 2)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TKitSVGBitmap graphic;
    LoadBytes(graphic, kDocument);
    TMemoryStream data;
    data.WriteBuffer(c.data.constData(), c.data.size());
    data.SetPosition(0);
    EXPECT_THROW(graphic.ReadData(&data), EReadError);
    EXPECT_EQ(StoredBytes(graphic), kDocument);  // nothing was taken over
  }
}

TEST(KitSVGBitmap, BrokenDocumentInFormDataFails) {
  WithFakeEngine engine;
  TKitSVGBitmap source;
  LoadBytes(source, "broken");
  TMemoryStream data;
  source.WriteData(&data);
  data.SetPosition(0);
  TKitSVGBitmap target;
  EXPECT_THROW(target.ReadData(&data), EConvertError);
}

TEST(KitSVGBitmap, CanLoadFromStreamOnlyWithoutRasterSignature) {
  struct Case {
    QByteArray bytes;
    bool expected;
  };
  const Case cases[] = {
      {QByteArray("\x89PNG\r\n\x1A\n", 8), false},
      {QByteArray("\xFF\xD8\xFF\xE0\0\0", 6), false},
      {"<svg xmlns='http://www.w3.org/2000/svg'/>", true},
      {"<?xml version='1.0'?><svg/>", true},
  };
  for (const Case& c : cases) {
    TMemoryStream stream;
    stream.WriteBuffer(c.bytes.constData(), c.bytes.size());
    stream.SetPosition(0);
    EXPECT_EQ(TKitSVGBitmap::CanLoadFromStream(&stream), c.expected) << c.bytes.toHex().toStdString();
    EXPECT_EQ(stream.Position(), 0);
  }
}

TEST(KitBitmap, LoadsSVGFilesThroughTheRegisteredFormat) {
  WithFakeEngine engine;
  testsupport::TempDir dir;
  const QString file = dir.File("logo.svg");
  {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(kDocument);
  }
  EXPECT_TRUE(TPicture::FindGraphicClass(QStringLiteral("svg")) == TGraphicClass::Of<TKitSVGBitmap>());

  TKitBitmap picture;
  picture.LoadFromFile(file);
  ASSERT_NE(dynamic_cast<TKitSVGBitmap*>(picture.Graphic()), nullptr);
  EXPECT_TRUE(picture.HasSVG());
  EXPECT_NE(picture.SVG(), nullptr);

  // The picture's form data names the class and carries the bytes.
  TMemoryStream data;
  picture.WriteData(&data);
  data.SetPosition(0);
  TKitBitmap back;
  back.ReadData(&data);
  auto* graphic = dynamic_cast<TKitSVGBitmap*>(back.Graphic());
  ASSERT_NE(graphic, nullptr);
  EXPECT_EQ(StoredBytes(*graphic), kDocument);
  EXPECT_TRUE(back.HasSVG());

  TBitmap raster;
  raster.SetSize(1, 1);
  back.SetGraphic(&raster);
  EXPECT_FALSE(back.HasSVG());
  EXPECT_EQ(back.SVG(), nullptr);
}

TEST(KitBitmap, MissingResourceLeavesThePicture) {
  TKitBitmap picture;
  TBitmap raster;
  raster.SetSize(3, 2);
  picture.SetGraphic(&raster);
  picture.LoadFromResource(QStringLiteral("NO_SUCH_RESOURCE_NAME"));
  EXPECT_EQ(picture.Width(), 3);
  EXPECT_TRUE(IsBitmapEmpty(TKitBitmap::CreateFromResource(QStringLiteral("NO_SUCH_RESOURCE_NAME")).get()));
}

TEST(KitPictureRoutines, IsBitmapEmptyAndGetBitmapGraphic) {
  TPicture none;
  TPicture emptyGraphic;
  TBitmap emptyBitmap;
  emptyGraphic.SetGraphic(&emptyBitmap);
  TPicture filled;
  TBitmap bitmap;
  bitmap.SetSize(1, 1);
  filled.SetGraphic(&bitmap);
  struct Case {
    const char* name;
    TPicture* picture;
    bool empty;
  };
  const Case cases[] = {{"null", nullptr, true},
                        {"no graphic", &none, true},
                        {"empty graphic", &emptyGraphic, true},
                        {"filled", &filled, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(IsBitmapEmpty(c.picture), c.empty) << c.name;
    EXPECT_EQ(GetBitmapGraphic(c.picture), c.picture ? c.picture->Graphic() : nullptr) << c.name;
  }
}

TEST(KitScaledBitmaps, ChangeSignalsOnlyForRealChanges) {
  TKitScaledBitmaps bitmaps(nullptr);
  int changes = 0;
  bitmaps.OnChange = [&](TObject*) { ++changes; };
  TKitScaledBitmap* item = bitmaps.Add(2.0f);
  const int afterAdd = changes;
  EXPECT_GT(afterAdd, 0);

  item->SetScale(2.0f);
  item->SetBitmapName(QString());
  EXPECT_EQ(changes, afterAdd);
  item->SetScale(1.5f);
  EXPECT_EQ(changes, afterAdd + 1);
  item->SetBitmapName(QStringLiteral("logo"));
  EXPECT_EQ(changes, afterAdd + 2);

  TKitBitmap picture;
  TBitmap raster;
  raster.SetSize(4, 4);
  picture.SetGraphic(&raster);
  item->SetBitmap(&picture);  // a change of the owned picture signals
  EXPECT_GT(changes, afterAdd + 2);
  EXPECT_EQ(item->Bitmap()->Width(), 4);
  EXPECT_NE(item->Bitmap(), &picture);
}

TEST(KitScaledBitmaps, AssignCopiesAllThreeFromScaledBitmapsOnly) {
  TKitScaledBitmaps bitmaps(nullptr);
  TKitScaledBitmap* source = bitmaps.AddBitmapName(QStringLiteral("logo"), 2.0f);
  TBitmap raster;
  raster.SetSize(5, 3);
  source->Bitmap()->SetGraphic(&raster);
  TKitScaledBitmap* target = bitmaps.Add();
  target->Assign(source);
  EXPECT_EQ(target->BitmapName(), QStringLiteral("logo"));
  EXPECT_EQ(target->Scale(), 2.0f);
  EXPECT_EQ(target->Bitmap()->Width(), 5);

  TKitBitmap other;
  target->Assign(&other);  // ignored
  EXPECT_EQ(target->BitmapName(), QStringLiteral("logo"));
  EXPECT_EQ(target->Bitmap()->Width(), 5);
}

TEST(KitScaledBitmaps, GetItemByScale) {
  struct Case {
    std::vector<float> scales;
    float wanted;
    int expected;  // index, -1 for none
  };
  const Case cases[] = {
      {{1.0f, 2.0f}, 1.5f, 1}, {{1.0f, 1.5f}, 1.5f, 1}, {{2.0f, 1.0f}, 1.0f, 1},
      {{3.0f, 3.0f}, 1.0f, 0}, {{0.0f, -1.0f}, 2.0f, -1}, {{}, 1.0f, -1},
  };
  for (const Case& c : cases) {
    TKitScaledBitmaps bitmaps(nullptr);
    for (float s : c.scales) bitmaps.Add(s);
    TKitScaledBitmap* found = bitmaps.GetItemByScale(c.wanted);
    EXPECT_EQ(found, c.expected < 0 ? nullptr : bitmaps.Items(c.expected)) << c.wanted;
    EXPECT_EQ(bitmaps.GetBitmapByScale(c.wanted), found ? found->Bitmap() : nullptr);
  }
}

TEST(KitScaledBitmaps, SetBitmapsAddsAnItemOnlyToAnEmptyCollection) {
  TKitScaledBitmaps bitmaps(nullptr);
  TKitBitmap picture;
  TBitmap raster;
  raster.SetSize(2, 2);
  picture.SetGraphic(&raster);
  bitmaps.SetBitmaps(1.5f, &picture);
  ASSERT_EQ(bitmaps.Count(), 1);
  EXPECT_EQ(bitmaps.Items(0)->Scale(), 1.5f);
  EXPECT_EQ(bitmaps.Bitmaps(1.5f)->Width(), 2);
  bitmaps.SetBitmaps(3.0f, nullptr);  // into the best item, no new one
  EXPECT_EQ(bitmaps.Count(), 1);
  EXPECT_TRUE(IsBitmapEmpty(bitmaps.Items(0)->Bitmap()));
}
