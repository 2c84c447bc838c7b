// TKitUtils' picture routines: the graphic class from leading bytes,
// pictures as hexadecimal and Base64 text, JPEG conversion, and the clone
// through component streaming.

#include <gtest/gtest.h>

#include <QByteArray>

#include "foundation/KitTypes.h"
#include "foundation/KitUtils.h"
#include "platform/rtl/Components.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/GIFImg.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/Jpeg.h"
#include "platform/vcl/PngImage.h"
#include "tests/support/TestSupport.h"

namespace {

// A picture holding a W x H bitmap of one colour.
std::unique_ptr<TKitBitmap> SolidPicture(int W, int H, TColor AColor) {
  TBitmap raster;
  raster.SetSize(W, H);
  raster.Canvas()->Brush()->SetColor(AColor);
  raster.Canvas()->FillRect(TRect{0, 0, W, H});
  auto picture = std::make_unique<TKitBitmap>();
  picture->SetGraphic(&raster);
  return picture;
}

QByteArray Bytes(TMemoryStream& AStream) {
  return QByteArray(static_cast<const char*>(AStream.Memory()), static_cast<int>(AStream.Size()));
}

class TCloneSample : public TComponent {
 public:
  TF_DECLARE_PUBLISHED(TCloneSample)
  explicit TCloneSample(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
  int Count() const { return FCount; }
  void SetCount(int Value) { FCount = Value; }
  QString Caption() const { return FCaption; }
  void SetCaption(const QString& Value) { FCaption = Value; }

 private:
  int FCount = 0;
  QString FCaption;
};

TF_PUBLISHED(TCloneSample, TComponent) {
  return TPublished<TCloneSample>()
      .Integer("Count", &TCloneSample::Count, &TCloneSample::SetCount)
      .Default(0)
      .String("Caption", &TCloneSample::Caption, &TCloneSample::SetCaption);
}

}  // namespace

TEST(KitUtilsPictures, FindGraphicClassFromLeadingBytes) {
  struct Case {
    const char* name;
    QByteArray bytes;
    TGraphicClass expected;
  };
  QByteArray emf(44, '\0');
  emf[0] = 1;
  emf.replace(40, 4, " EMF");
  const Case cases[] = {
      {"bmp", "BM\x10\0\0\0", TGraphicClass::Of<TBitmap>()},
      {"jpeg", QByteArray("\xFF\xD8\xFF\xE0", 4), TGraphicClass::Of<TJPEGImage>()},
      {"png", QByteArray("\x89PNG\r\n\x1A\n\0", 9), TGraphicClass::Of<TPngImage>()},
      {"png cut short", QByteArray("\x89PNG", 4), TGraphicClass()},
      {"gif", "GIF89a", TGraphicClass::Of<TGIFImage>()},
      {"icon", QByteArray("\0\0\1\0\1\0", 6), TGraphicClass::Of<TIcon>()},
      {"tiff intel", QByteArray("II\x2A\0", 4), TGraphicClass()},
      {"tiff motorola", QByteArray("MM\0\x2A", 4), TGraphicClass()},
      {"emf", emf, TGraphicClass()},
      {"one byte", "B", TGraphicClass()},
      {"svg text", "<svg/>", TGraphicClass()},
      {"nothing", QByteArray(), TGraphicClass()},
  };
  for (const Case& c : cases) {
    TGraphicClass found = TGraphicClass::Of<TBitmap>();  // overwritten in every case
    // A copy of exactly the case's bytes, so that reading past them shows.
    std::vector<uint8_t> buffer(c.bytes.begin(), c.bytes.end());
    const bool ok = TKitUtils::FindGraphicClass(buffer.empty() ? nullptr : buffer.data(),
                                                static_cast<Int64>(buffer.size()), found);
    EXPECT_EQ(ok, static_cast<bool>(c.expected)) << c.name;
    EXPECT_TRUE(found == c.expected) << c.name;
  }
}

TEST(KitUtilsPictures, HexAndBase64RoundTrips) {
  auto source = SolidPicture(3, 2, 0x0000FF);
  const QString hex = TKitUtils::SaveBitmapToHexStr(source.get());
  ASSERT_TRUE(hex.startsWith(QStringLiteral("424D")));  // "BM"
  auto fromHex = TKitUtils::CreateBitmapFromHexStr(hex);
  ASSERT_NE(dynamic_cast<TBitmap*>(fromHex->Graphic()), nullptr);
  EXPECT_EQ(fromHex->Width(), 3);
  EXPECT_EQ(fromHex->Height(), 2);

  for (bool url : {false, true}) {
    const QString text = TKitUtils::SaveBitmapToBase64(source.get(), url);
    ASSERT_FALSE(text.isEmpty());
    if (url) {
      EXPECT_FALSE(text.contains(u'=') || text.contains(u'+') || text.contains(u'/'));
    }
    auto plain = TKitUtils::CreateBitmapFromBase64(text, url);
    EXPECT_EQ(plain->Width(), 3) << url;
    auto dataUri = TKitUtils::CreateBitmapFromBase64(QStringLiteral("data:image/bmp;base64,") + text, url);
    EXPECT_EQ(dataUri->Height(), 2) << url;
  }

  TKitBitmap empty;
  EXPECT_EQ(TKitUtils::SaveBitmapToHexStr(&empty), QString());
  EXPECT_EQ(TKitUtils::SaveBitmapToBase64(&empty, false), QString());
  EXPECT_EQ(TKitUtils::SaveBitmapToHexStr(nullptr), QString());
}

TEST(KitUtilsPictures, HexTextThatIsNoPictureLoadsNothing) {
  struct Case {
    const char* name;
    QByteArray bytes;
  };
  const Case cases[] = {{"data uri", "data:image/png;base64,iVBORw0KGgo="}, {"unknown type", "hello world"}};
  for (const Case& c : cases) {
    auto picture = SolidPicture(4, 4, 0);
    TKitUtils::LoadBitmapFromHexStr(QString::fromLatin1(c.bytes.toHex()), picture.get());
    EXPECT_EQ(picture->Width(), 4) << c.name;  // unchanged
  }
}

TEST(KitUtilsPictures, GetImageTypeOfAPicture) {
  auto picture = SolidPicture(2, 2, 0);
  EXPECT_EQ(TKitUtils::GetImageType(picture.get(), false), QStringLiteral(".bmp"));
  TPngImage png;
  png.Assign(picture->Graphic());
  picture->SetGraphic(&png);
  EXPECT_EQ(TKitUtils::GetImageType(picture.get(), false), QStringLiteral(".png"));
  TKitBitmap empty;
  EXPECT_EQ(TKitUtils::GetImageType(&empty, true), QString());
}

TEST(KitUtilsPictures, ConvertBitmapToJPEGStream) {
  auto picture = SolidPicture(8, 8, 0x0000FF);  // red
  std::unique_ptr<TMemoryStream> jpegBytes = TKitUtils::ConvertBitmapToJPEGStream(picture.get(), 0.9f, -1);
  ASSERT_NE(jpegBytes, nullptr);
  const QByteArray bytes = Bytes(*jpegBytes);
  ASSERT_TRUE(bytes.startsWith(QByteArray("\xFF\xD8", 2)));
  QImage decoded = QImage::fromData(bytes, "JPG");
  ASSERT_FALSE(decoded.isNull());
  EXPECT_GT(qRed(decoded.pixel(4, 4)), 200);
  EXPECT_LT(qBlue(decoded.pixel(4, 4)), 60);

  // JPEG data is handed back as it is.
  TKitBitmap jpegPicture;
  jpegBytes->SetPosition(0);
  jpegPicture.LoadFromStream(jpegBytes.get());
  std::unique_ptr<TMemoryStream> again = TKitUtils::ConvertBitmapToJPEGStream(&jpegPicture, 0.1f, 0);
  ASSERT_NE(again, nullptr);
  TMemoryStream saved;
  jpegPicture.Graphic()->SaveToStream(&saved);
  EXPECT_EQ(Bytes(*again), Bytes(saved));

  // Out-of-range qualities are held within the encoder's range.
  EXPECT_NE(TKitUtils::ConvertBitmapToJPEGStream(picture.get(), 0.0f, 0), nullptr);
  EXPECT_NE(TKitUtils::ConvertBitmapToJPEGStream(picture.get(), 5.0f, 0), nullptr);

  TKitBitmap empty;
  EXPECT_EQ(TKitUtils::ConvertBitmapToJPEGStream(&empty, 0.9f, 0), nullptr);
}

TEST(KitUtilsPictures, CloneThroughComponentStreaming) {
  TCloneSample original;
  original.SetName(QStringLiteral("Sample1"));
  original.SetCount(42);
  original.SetCaption(QStringLiteral("caf\u00E9"));
  std::unique_ptr<TComponent> copy = TKitUtils::Clone(&original);
  auto* sample = dynamic_cast<TCloneSample*>(copy.get());
  ASSERT_NE(sample, nullptr);
  EXPECT_EQ(sample->Count(), 42);
  EXPECT_EQ(sample->Caption(), QStringLiteral("caf\u00E9"));
  EXPECT_EQ(sample->Name(), QString());
  EXPECT_EQ(sample->Owner(), nullptr);
  EXPECT_EQ(original.Name(), QStringLiteral("Sample1"));
  EXPECT_EQ(TKitUtils::Clone(nullptr), nullptr);
}
