// TKitUtils' picture routines: the graphic class from leading bytes,
// pictures as hexadecimal and Base64 text, JPEG conversion, and the clone
// through component streaming.

#include <gtest/gtest.h>

#include <QByteArray>

#include "foundation/KitTypes.h"
#include "foundation/KitUtils.h"
#include "platform/vcl/ImagingGraphics.h"
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
      {"tiff intel", QByteArray("II\x2A\0", 4), TGraphicClass::Of<TWICImage>()},
      {"tiff motorola", QByteArray("MM\0\x2A", 4), TGraphicClass::Of<TWICImage>()},
      {"tiff wrong order", QByteArray("MM\x2A\0", 4), TGraphicClass()},
      {"emf", emf, TGraphicClass::Of<TMetafile>()},
      {"placeable wmf", QByteArray("\xD7\xCD\xC6\x9A\0\0", 6), TGraphicClass::Of<TMetafile>()},
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

namespace {
// An uncompressed 24-bit TIFF of W x H pixels of one colour.
QByteArray SolidTiff(int W, int H, QRgb Colour) {
  QByteArray b("II\x2A\0\x08\0\0\0", 8);
  auto p16 = [&](uint32_t v) { b.append(char(v & 0xFF)).append(char(v >> 8)); };
  auto p32 = [&](uint32_t v) { p16(v & 0xFFFF); p16(v >> 16); };
  const uint32_t bitsAt = 8 + 2 + 10 * 12 + 4, dataAt = bitsAt + 6;
  const uint32_t entries[10][4] = {{256, 4, 1, uint32_t(W)}, {257, 4, 1, uint32_t(H)}, {258, 3, 3, bitsAt},
                                   {259, 3, 1, 1},           {262, 3, 1, 2},           {273, 4, 1, dataAt},
                                   {277, 3, 1, 3},           {278, 4, 1, uint32_t(H)}, {279, 4, 1, uint32_t(W * H * 3)},
                                   {284, 3, 1, 1}};
  p16(10);
  for (const auto& e : entries) {
    p16(e[0]);
    p16(e[1]);
    p32(e[2]);
    p32(e[3]);
  }
  p32(0);
  p16(8);
  p16(8);
  p16(8);
  for (int i = 0; i < W * H; ++i) b.append(char(qRed(Colour))).append(char(qGreen(Colour))).append(char(qBlue(Colour)));
  return b;
}
}  // namespace

TEST(KitUtilsPictures, TiffAndMetafilePicturesLoadThroughTheirClasses) {
  const QByteArray tiff = SolidTiff(5, 3, qRgb(0, 0, 255));
  TBytesStream stream(tiff);
  const QString hex = TKitUtils::SaveStreamToHexStr(&stream);
  TPicture picture;
  TKitUtils::LoadBitmapFromHexStr(hex, &picture);
  auto* imaging = dynamic_cast<TWICImage*>(picture.Graphic());
  ASSERT_NE(imaging, nullptr);
  EXPECT_EQ(imaging->Width(), 5);
  EXPECT_EQ(imaging->Height(), 3);
  EXPECT_EQ(QColor::fromRgba(imaging->ToImage().pixel(2, 1)), QColor(0, 0, 255));
  // Saved as it was loaded.
  TMemoryStream saved;
  imaging->SaveToStream(&saved);
  EXPECT_EQ(saved.Size(), tiff.size());

  // A placeable metafile of 30 x 15 pixels (450 x 225 units at 1440 per inch).
  QByteArray wmf;
  auto p16 = [&](uint32_t v) { wmf.append(char(v & 0xFF)).append(char(v >> 8)); };
  auto p32 = [&](uint32_t v) { p16(v & 0xFFFF); p16(v >> 16); };
  p32(0x9AC6CDD7);
  for (int v : {0, 0, 0, 450, 225, 1440}) p16(v);
  p32(0);
  uint16_t sum = 0;
  for (int i = 0; i < 20; i += 2) sum ^= uint16_t(uchar(wmf[i]) | (uchar(wmf[i + 1]) << 8));
  p16(sum);
  for (int v : {1, 9, 0x300}) p16(v);
  p32(9 + 3);
  p16(0);
  p32(3);
  p16(0);
  p32(3);  // the end-of-file record
  p16(0);
  TPicture metafile;
  TBytesStream wmfStream(wmf);
  metafile.LoadFromStream(&wmfStream);
  auto* meta = dynamic_cast<TMetafile*>(metafile.Graphic());
  ASSERT_NE(meta, nullptr);
  EXPECT_EQ(meta->Width(), 30);
  EXPECT_EQ(meta->Height(), 15);
  EXPECT_FALSE(meta->Enhanced());
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
