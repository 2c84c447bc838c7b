// Pictures: PNG, JPEG, GIF, BMP and ICO through TPicture and the graphic
// classes, the file-format registry, detection by the first bytes, broken
// data, JPEG qualities, icons with several sizes and streamed picture data.

#include <gtest/gtest.h>

#include <QFile>
#include <cmath>

#include "platform/vcl/GIFImg.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/ImagingGraphics.h"
#include "platform/vcl/Jpeg.h"
#include "platform/vcl/PngImage.h"
#include "tests/platform/vcl/VclTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace vcltest;
using testsupport::MessageOf;

// A graphic class of the tests: "TST!" followed by a width and a height byte.
class TTestGraphic : public TBitmap {
 public:
  TF_DECLARE_PUBLISHED(TTestGraphic)
  static bool CanLoadFromStream(TStream* Stream) {
    char head[4] = {};
    return Stream->Read(head, 4) == 4 && std::memcmp(head, "TST!", 4) == 0;
  }
  void LoadFromStream(TStream* Stream) override {
    char data[6] = {};
    Stream->ReadBuffer(data, 6);
    SetSize(uint8_t(data[4]), uint8_t(data[5]));
  }
};
TF_PUBLISHED(TTestGraphic, TBitmap) { return TPublished<TTestGraphic>(); }

namespace {

QImage Gradient(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      image.setPixel(x, y, qRgb((x * 255) / w, (y * 255) / h, ((x + y) * 255) / (w + h)));
  return image;
}

// Quadrants with the bottom-right quarter fully transparent.
QImage WithHole(int w, int h) {
  QImage image = Quadrants(w, h).convertToFormat(QImage::Format_ARGB32);
  for (int y = h / 2; y < h; ++y)
    for (int x = w / 2; x < w; ++x) image.setPixel(x, y, 0);
  return image;
}

uint32_t Crc32(const QByteArray& data) {
  uint32_t crc = 0xFFFFFFFFu;
  for (char ch : data) {
    crc ^= uint8_t(ch);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

void PutBE32(QByteArray& b, int at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = char((v >> (24 - 8 * i)) & 0xFF);
}

// A PNG whose header declares another size (with a valid checksum).
QByteArray PngDeclaring(uint32_t w, uint32_t h) {
  QByteArray png = Encode(Quadrants(4, 4), "png");
  PutBE32(png, 16, w);
  PutBE32(png, 20, h);
  PutBE32(png, 29, Crc32(png.mid(12, 17)));
  return png;
}

// A JPEG whose frame header declares another size.
QByteArray JpegDeclaring(uint16_t w, uint16_t h) {
  QByteArray jpg = Encode(Quadrants(8, 8), "jpg");
  const int sof = jpg.indexOf(QByteArray("\xFF\xC0", 2));
  jpg[sof + 5] = char(h >> 8);
  jpg[sof + 6] = char(h & 0xFF);
  jpg[sof + 7] = char(w >> 8);
  jpg[sof + 8] = char(w & 0xFF);
  return jpg;
}

// An 8-bit DIB icon of 2 x 2 pixels: red, blue / green, masked out.
QByteArray EightBitIcon() {
  QByteArray dib(40, '\0');
  Put32(dib, 0, 40);
  Put32(dib, 4, 2);
  Put32(dib, 8, 4);
  Put16(dib, 12, 1);
  Put16(dib, 14, 8);
  Put32(dib, 32, 3);
  dib += QByteArray("\x00\x00\xFF\x00" "\xFF\x00\x00\x00" "\x00\xFF\x00\x00", 12);  // red, blue, green
  dib += QByteArray("\x02\x02\x00\x00" "\x00\x01\x00\x00", 8);                      // bottom row, top row
  dib += QByteArray("\x40\x00\x00\x00" "\x00\x00\x00\x00", 8);                      // mask: bottom-right out
  QByteArray ico(6 + 16, '\0');
  Put16(ico, 2, 1);
  Put16(ico, 4, 1);
  ico[6] = 2;
  ico[7] = 2;
  Put32(ico, 6 + 8, uint32_t(dib.size()));
  Put32(ico, 6 + 12, 22);
  return ico + dib;
}

double MeanError(const QImage& a, const QImage& b) {
  double sum = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
    }
  return sum / (a.width() * a.height() * 3.0);
}

QImage Drawn(TGraphic& g, int w, int h, TColor background) {
  auto b = FilledBitmap(w, h, background);
  b->Canvas()->Draw(0, 0, &g);
  return b->ToImage();
}

}  // namespace

TEST(Picture, LoadsEachFormatFromStreamsByItsFirstBytes) {
  TBitmap bmp;
  bmp.AssignImage(Quadrants(6, 4));
  TMemoryStream bmpStream;
  bmp.SaveToStream(&bmpStream);
  TJPEGImage jpeg;
  jpeg.Assign(&bmp);
  TMemoryStream jpegStream;
  jpeg.SaveToStream(&jpegStream);
  const struct {
    const char* name;
    QByteArray bytes;
    const char* className;
    int width, height;
  } cases[] = {
      {"bmp", BytesOf(bmpStream), "TBitmap", 6, 4},
      {"png", Encode(Quadrants(7, 5), "png"), "TPngImage", 7, 5},
      {"jpeg by Qt", Encode(Quadrants(9, 3), "jpg"), "TJPEGImage", 9, 3},
      {"jpeg by libjpeg", BytesOf(jpegStream), "TJPEGImage", 6, 4},
      {"gif", TinyGif(), "TGIFImage", 4, 2},
      {"ico by Qt", Encode(WithHole(16, 16), "ico"), "TIcon", 16, 16},
      {"ico", MakeIco({WithHole(32, 32)}), "TIcon", 32, 32},
  };
  for (const auto& c : cases) {
    TPicture picture;
    int changes = 0;
    picture.OnChange = [&](TObject*) { ++changes; };
    // Bytes after the picture stay in the stream.
    auto s = StreamOf(c.bytes + "TRAILER");
    picture.LoadFromStream(s.get());
    ASSERT_NE(picture.Graphic(), nullptr) << c.name;
    EXPECT_EQ(picture.Graphic()->ClassName(), c.className) << c.name;
    EXPECT_EQ(picture.Width(), c.width) << c.name;
    EXPECT_EQ(picture.Height(), c.height) << c.name;
    EXPECT_EQ(s->Position(), c.bytes.size()) << c.name;
    EXPECT_EQ(changes, 1) << c.name;
  }
}

TEST(Picture, LoadsFilesByExtensionOrContentAndSavesThem) {
  testsupport::TempDir dir;
  auto write = [&](const QString& name, const QByteArray& bytes) {
    QFile f(dir.File(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return dir.File(name);
  };
  TPicture picture;
  picture.LoadFromFile(write("quadrants.PNG", Encode(Quadrants(8, 6), "png")));
  EXPECT_EQ(picture.Graphic()->ClassName(), "TPngImage");
  EXPECT_EQ(picture.Width(), 8);
  picture.LoadFromFile(write("photo.jpeg", Encode(Gradient(20, 10), "jpg")));
  EXPECT_EQ(picture.Graphic()->ClassName(), "TJPEGImage");
  EXPECT_EQ(picture.Height(), 10);
  picture.LoadFromFile(write("anim.gif", TinyGif()));
  EXPECT_EQ(picture.Width(), 4);
  picture.LoadFromFile(write("app.ico", MakeIco({WithHole(16, 16), WithHole(32, 32)})));
  EXPECT_EQ(picture.Graphic()->ClassName(), "TIcon");
  EXPECT_EQ(picture.Width(), 32);
  // An extension nobody registered: the content decides.
  picture.LoadFromFile(write("download.dat", Encode(Quadrants(3, 3), "png")));
  EXPECT_EQ(picture.Graphic()->ClassName(), "TPngImage");
  EXPECT_EQ(MessageOf([&] { picture.LoadFromFile(write("notes.xyz", "plain text")); }),
            "EInvalidGraphic: Unknown picture file extension (.xyz)");
  EXPECT_EQ(picture.Graphic(), nullptr);
  // A registered extension holding other bytes fails in its class.
  EXPECT_EQ(MessageOf([&] { picture.LoadFromFile(write("wrong.png", Encode(Quadrants(3, 3), "jpg"))); }),
            "EInvalidGraphic: PNG image is not valid");
  EXPECT_EQ(picture.Width(), 0);
  EXPECT_TRUE(MessageOf([&] { picture.LoadFromFile(dir.File("missing.png")); }).startsWith("EFOpenError"));

  // Saving writes the graphic's own format.
  picture.LoadFromFile(write("src.bmp", [&] {
    TBitmap b;
    b.AssignImage(Quadrants(5, 5));
    TMemoryStream s;
    b.SaveToStream(&s);
    return BytesOf(s);
  }()));
  picture.SaveToFile(dir.File("copy.bmp"));
  TPicture again;
  again.LoadFromFile(dir.File("copy.bmp"));
  EXPECT_EQ(again.Graphic()->ToImage(), picture.Graphic()->ToImage());
  TBitmap direct;
  direct.LoadFromFile(dir.File("copy.bmp"));
  EXPECT_EQ(direct.Width(), 5);
}

TEST(Picture, UndecodableAndTruncatedBytesGiveAnEmptyPicture) {
  const QByteArray png = Encode(Quadrants(16, 16), "png");
  const QByteArray jpg = Encode(Gradient(32, 32), "jpg");
  const QByteArray gif = TinyGif();
  const QByteArray ico = MakeIco({WithHole(16, 16)});
  QByteArray icoOutside = ico;
  Put32(icoOutside, 6 + 12, 100000);
  QByteArray icoGarbage = ico;
  icoGarbage.replace(22, 4, "\x05\x00\x00\x00");  // a header size no DIB has
  QByteArray gifHuge = gif;
  Put16(gifHuge, 6, 65535);
  Put16(gifHuge, 8, 65535);
  Put16(gifHuge, 38, 65535);
  Put16(gifHuge, 40, 65535);
  QByteArray bmpHuge = MakeIco({}).left(0);
  {
    TBitmap b(2, 2);
    TMemoryStream s;
    b.SaveToStream(&s);
    bmpHuge = BytesOf(s);
    Put32(bmpHuge, 18, 100000);
    Put32(bmpHuge, 22, 100000);
  }
  const struct {
    const char* name;
    QByteArray bytes;
    const char* message;  // the start of the message
  } cases[] = {
      {"nothing", QByteArray(), "Unsupported stream format"},
      {"text", "hello, world", "Unsupported stream format"},
      {"zeros", QByteArray(64, '\0'), "Unsupported stream format"},
      {"png signature only", png.left(8), "PNG image is not valid"},
      {"png half", png.left(png.size() / 2), "PNG image is not valid"},
      {"png without its end", png.left(png.size() - 12), "PNG image is not valid"},
      {"png broken data", png.left(41) + QByteArray(png.size() - 41, 'x'), "PNG image is not valid"},
      {"png 100000 x 100000", PngDeclaring(100000, 100000), "PNG image is not valid"},
      {"jpeg start only", jpg.left(3), "JPEG image is not valid"},
      {"jpeg header", jpg.left(200), "JPEG image is not valid"},
      {"jpeg half", jpg.left(jpg.size() / 2), "JPEG image is not valid"},
      {"jpeg 65000 x 65000", JpegDeclaring(65000, 65000), "Image dimensions 65000 x 65000"},
      {"gif header", gif.left(6), "GIF image is not valid"},
      {"gif without trailer", gif.left(gif.size() - 1), "GIF image is not valid"},
      {"gif 65535 x 65535", gifHuge, "GIF image is not valid"},
      {"ico directory only", ico.left(22), "Icon image is not valid"},
      {"ico entry outside", icoOutside, "Icon image is not valid"},
      {"ico entry garbage", icoGarbage, "Icon image is not valid"},
      {"bmp 100000 x 100000", bmpHuge, "Image dimensions 100000 x 100000"},
  };
  for (const auto& c : cases) {
    TPicture picture;
    picture.Bitmap()->SetSize(3, 3);  // something to lose
    int changes = 0;
    picture.OnChange = [&](TObject*) { ++changes; };
    auto s = StreamOf(c.bytes);
    const QString message = MessageOf([&] { picture.LoadFromStream(s.get()); });
    EXPECT_TRUE(message.startsWith(QString("EInvalidGraphic: ") + c.message)) << c.name << ": " << message.toStdString();
    EXPECT_EQ(picture.Graphic(), nullptr) << c.name;
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.Height(), 0);
    EXPECT_EQ(changes, 1) << c.name;
  }
  // The graphic classes themselves end up empty too.
  TPngImage p;
  p.Assign(nullptr);
  auto s = StreamOf(png);
  p.LoadFromStream(s.get());
  auto cut = StreamOf(png.left(30));
  EXPECT_TRUE(MessageOf([&] { p.LoadFromStream(cut.get()); }).startsWith("EInvalidGraphic"));
  EXPECT_TRUE(p.Empty());
  TJPEGImage j;
  auto jcut = StreamOf(jpg.left(jpg.size() - 40));
  EXPECT_TRUE(MessageOf([&] { j.LoadFromStream(jcut.get()); }).startsWith("EInvalidGraphic"));
  EXPECT_TRUE(j.Empty());
  EXPECT_EQ(j.Width(), 0);
}

TEST(Picture, FormatRegistryFiltersAndCustomClasses) {
  EXPECT_EQ(TPicture::FindGraphicClass("PNG"), TGraphicClass::Of<TPngImage>());
  EXPECT_EQ(TPicture::FindGraphicClass(".Jpg"), TGraphicClass::Of<TJPEGImage>());
  EXPECT_EQ(TPicture::FindGraphicClass("jpeg"), TGraphicClass::Of<TJPEGImage>());
  EXPECT_EQ(TPicture::FindGraphicClass("tiff"), TGraphicClass::Of<TWICImage>());
  EXPECT_EQ(TPicture::FindGraphicClass("EMF"), TGraphicClass::Of<TMetafile>());
  EXPECT_FALSE(TPicture::FindGraphicClass("xyz"));
  EXPECT_EQ(GraphicExtension(TGraphicClass::Of<TJPEGImage>()), "jpg");
  EXPECT_EQ(GraphicExtension(TGraphicClass::Of<TBitmap>()), "bmp");
  EXPECT_EQ(GraphicExtension(TGraphicClass::Of<TGraphic>()), "");
  EXPECT_EQ(GraphicFileMask(TGraphicClass::Of<TGraphic>()),
            "*.emf;*.wmf;*.tiff;*.tif;*.gif;*.png;*.jpg;*.jpeg;*.bmp;*.ico");
  EXPECT_EQ(GraphicFilter(TGraphicClass::Of<TBitmap>()), "Bitmaps (*.bmp)|*.bmp");
  EXPECT_EQ(GraphicFilter(TGraphicClass::Of<TJPEGImage>()),
            "All (*.jpg;*.jpeg)|*.jpg;*.jpeg|JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg");
  EXPECT_TRUE(GraphicFilter(TGraphicClass::Of<TGraphic>())
                  .startsWith("All (*.emf;*.wmf;*.tiff;*.tif;*.gif;*.png;*.jpg;*.jpeg;*.bmp;*.ico)|"
                              "*.emf;*.wmf;*.tiff;*.tif;*.gif;*.png;*.jpg;*.jpeg;*.bmp;*.ico|"
                              "Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf|"));

  TPicture::RegisterFileFormat("tst", "Test pictures", TGraphicClass::Of<TTestGraphic>());
  EXPECT_EQ(GraphicFilter(TGraphicClass::Of<TTestGraphic>()), "Test pictures (*.tst)|*.tst");
  EXPECT_EQ(GraphicFileMask(TGraphicClass::Of<TBitmap>()), "*.tst;*.bmp");  // descendants count
  TPicture picture;
  auto s = StreamOf(QByteArray("TST!\x05\x03", 6));
  picture.LoadFromStream(s.get());
  EXPECT_EQ(picture.Graphic()->ClassName(), "TTestGraphic");
  EXPECT_EQ(picture.Width(), 5);
  EXPECT_EQ(picture.Height(), 3);
  // The stream's position is kept by the detection.
  auto t = StreamOf(QByteArray("TST!\x02\x02", 6));
  EXPECT_TRUE(TGraphicClass::Of<TTestGraphic>().CanLoadFromStream(t.get()));
  EXPECT_EQ(t->Position(), 0);
  EXPECT_EQ(TPicture::FindGraphicClass(t.get()), TGraphicClass::Of<TTestGraphic>());

  TPicture::UnregisterGraphicClass(TGraphicClass::Of<TTestGraphic>());
  EXPECT_FALSE(TPicture::FindGraphicClass("tst"));
  EXPECT_EQ(TPicture::FindGraphicClass("bmp"), TGraphicClass::Of<TBitmap>());
  auto u = StreamOf(QByteArray("TST!\x05\x03", 6));
  EXPECT_EQ(MessageOf([&] { picture.LoadFromStream(u.get()); }), "EInvalidGraphic: Unsupported stream format");

  // Unregistering a class takes its descendants with it.
  TPicture::RegisterFileFormat("tst", "Test pictures", TGraphicClass::Of<TTestGraphic>());
  TPicture::UnregisterGraphicClass(TGraphicClass::Of<TBitmap>());
  EXPECT_FALSE(TPicture::FindGraphicClass("tst"));
  EXPECT_FALSE(TPicture::FindGraphicClass("bmp"));
  TPicture::RegisterFileFormat("bmp", "Bitmaps", TGraphicClass::Of<TBitmap>());
  EXPECT_EQ(TPicture::FindGraphicClass("BMP"), TGraphicClass::Of<TBitmap>());
}

TEST(Picture, GraphicTypesAssignmentAndChanges) {
  TPicture picture;
  auto s = StreamOf(Encode(Quadrants(6, 6), "png"));
  picture.LoadFromStream(s.get());
  TGraphic* png = picture.Graphic();
  int changes = 0;
  picture.OnChange = [&](TObject*) { ++changes; };
  // Changing the graphic tells the picture.
  png->SetSize(8, 8);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(picture.Width(), 8);

  TPicture copy;
  copy.Assign(&picture);
  EXPECT_NE(copy.Graphic(), picture.Graphic());
  EXPECT_EQ(copy.Graphic()->ClassName(), "TPngImage");
  EXPECT_EQ(copy.Graphic()->ToImage(), picture.Graphic()->ToImage());

  TBitmap* bitmap = picture.Bitmap();  // another type: replaced by an empty bitmap
  EXPECT_TRUE(bitmap->Empty());
  EXPECT_EQ(picture.Graphic(), bitmap);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(picture.Bitmap(), bitmap);
  bitmap->SetSize(4, 4);
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(picture.Icon()->Width(), 0);

  TBitmap target;
  target.Assign(&copy);  // through the picture's AssignTo
  EXPECT_EQ(target.Width(), 8);
  copy.SetGraphic(nullptr);
  EXPECT_EQ(copy.Width(), 0);
  copy.SetGraphic(&target);
  EXPECT_NE(copy.Graphic(), &target);
  EXPECT_EQ(copy.Graphic()->ClassName(), "TBitmap");
}

TEST(Picture, StreamedDataNamesTheClass) {
  TPicture picture;
  auto s = StreamOf(Encode(Quadrants(6, 6), "png"));
  picture.LoadFromStream(s.get());
  TMemoryStream data;
  picture.WriteData(&data);
  const QByteArray bytes = BytesOf(data);
  EXPECT_EQ(uint8_t(bytes[0]), 9);
  EXPECT_EQ(bytes.mid(1, 9), "TPngImage");
  TPicture back;
  data.SetPosition(0);
  back.ReadData(&data);
  EXPECT_EQ(back.Graphic()->ClassName(), "TPngImage");
  EXPECT_EQ(back.Graphic()->ToImage(), picture.Graphic()->ToImage());

  TPicture bmp;
  bmp.Bitmap()->AssignImage(Quadrants(3, 2));
  TMemoryStream bmpData;
  bmp.WriteData(&bmpData);
  EXPECT_EQ(BytesOf(bmpData).mid(1, 7), "TBitmap");
  bmpData.SetPosition(0);
  back.ReadData(&bmpData);
  EXPECT_EQ(back.Width(), 3);
  EXPECT_TRUE(back.Graphic()->Equals(bmp.Graphic()));

  TPicture empty;
  TMemoryStream none;
  empty.WriteData(&none);
  EXPECT_EQ(BytesOf(none), QByteArray(1, '\0'));
  none.SetPosition(0);
  back.ReadData(&none);
  EXPECT_EQ(back.Graphic(), nullptr);

  auto unknown = StreamOf(QByteArray("\x07TNoSuch", 8));
  EXPECT_EQ(MessageOf([&] { back.ReadData(unknown.get()); }), "EInvalidGraphic: Unknown picture class TNoSuch");
}

TEST(Jpeg, HigherQualityIsLargerAndCloser) {
  const QImage source = Gradient(64, 48);
  TBitmap bitmap;
  bitmap.AssignImage(source);
  QByteArray bytes[2];
  QImage decoded[2];
  const int qualities[2] = {20, 95};
  for (int i = 0; i < 2; ++i) {
    TJPEGImage jpeg;
    jpeg.Assign(&bitmap);
    jpeg.SetCompressionQuality(qualities[i]);
    TMemoryStream s;
    jpeg.SaveToStream(&s);
    bytes[i] = BytesOf(s);
    TJPEGImage back;
    s.SetPosition(0);
    back.LoadFromStream(&s);
    EXPECT_EQ(back.Width(), 64);
    EXPECT_EQ(back.Height(), 48);
    decoded[i] = back.ToImage();
    // Other readers agree.
    EXPECT_EQ(QImage::fromData(bytes[i], "JPG").size(), QSize(64, 48));
  }
  EXPECT_GT(bytes[1].size(), bytes[0].size());
  const double error20 = MeanError(source, decoded[0]), error95 = MeanError(source, decoded[1]);
  EXPECT_LT(error95, error20);
  EXPECT_LT(error95, 3.0);

  TJPEGImage jpeg;
  EXPECT_EQ(jpeg.CompressionQuality(), 90);
  EXPECT_EQ(MessageOf([&] { jpeg.SetCompressionQuality(0); }), "ERangeError: Range check error");
  EXPECT_EQ(MessageOf([&] { jpeg.SetCompressionQuality(101); }), "ERangeError: Range check error");
  EXPECT_EQ(MessageOf([&] { jpeg.SetSize(5, 5); }), "EInvalidGraphicOperation: Can't change the size of a JPEG image");

  // Loaded bytes are saved unchanged until recompressed.
  auto s = StreamOf(bytes[1]);
  jpeg.LoadFromStream(s.get());
  TMemoryStream out;
  jpeg.SaveToStream(&out);
  EXPECT_EQ(BytesOf(out), bytes[1]);
  jpeg.SetCompressionQuality(20);
  jpeg.Compress();
  TMemoryStream recompressed;
  jpeg.SaveToStream(&recompressed);
  EXPECT_LT(recompressed.Size(), out.Size());
}

TEST(Jpeg, ScaleGrayscaleAndBitmaps) {
  const QByteArray bytes = Encode(Quadrants(64, 32), "jpg", 95);
  TJPEGImage jpeg;
  jpeg.SetScale(jsHalf);
  auto s = StreamOf(bytes);
  jpeg.LoadFromStream(s.get());
  EXPECT_EQ(jpeg.Width(), 32);
  EXPECT_EQ(jpeg.Height(), 16);
  jpeg.SetScale(jsEighth);
  EXPECT_EQ(jpeg.Width(), 8);
  EXPECT_EQ(jpeg.ToImage().width(), 8);
  jpeg.SetScale(jsFullSize);
  jpeg.SetGrayscale(true);
  const QImage grey = jpeg.ToImage();
  EXPECT_EQ(grey.width(), 64);
  for (QPoint p : {QPoint(5, 5), QPoint(50, 5), QPoint(5, 25), QPoint(50, 25)}) {
    const QRgb c = grey.pixel(p);
    EXPECT_EQ(qRed(c), qGreen(c));
    EXPECT_EQ(qGreen(c), qBlue(c));
  }
  jpeg.SetGrayscale(false);
  // To a bitmap and back through drawing.
  TBitmap bitmap;
  bitmap.Assign(&jpeg);
  EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
  const QImage img = Drawn(jpeg, 64, 32, clWhite);
  EXPECT_EQ(img, bitmap.ToImage());
  const QRgb red = img.pixel(5, 5);
  EXPECT_GT(qRed(red), 230);
  EXPECT_LT(qGreen(red), 30);
  EXPECT_TRUE(TJPEGImage::CanLoadFromStream(StreamOf(bytes).get()));

  TMemoryStream data;
  jpeg.WriteData(&data);
  TJPEGImage back;
  data.SetPosition(0);
  back.ReadData(&data);
  EXPECT_EQ(back.Width(), 64);
}

TEST(PngAndGif, AlphaDrawsBlendedAndBytesSurvive) {
  const QByteArray bytes = Encode(WithHole(10, 10), "png");
  TPngImage png;
  auto s = StreamOf(bytes);
  png.LoadFromStream(s.get());
  EXPECT_TRUE(png.Transparent());
  QImage img = Drawn(png, 10, 10, clLime);
  EXPECT_EQ(Px(img, 1, 1), clRed);
  EXPECT_EQ(Px(img, 8, 8), clLime);  // the hole shows the background
  TMemoryStream out;
  png.SaveToStream(&out);
  EXPECT_EQ(BytesOf(out), bytes);
  png.SetSize(12, 10);
  TMemoryStream resized;
  png.SaveToStream(&resized);
  EXPECT_EQ(QImage::fromData(BytesOf(resized), "PNG").size(), QSize(12, 10));
  TPngImage opaque;
  opaque.Assign(&png);
  EXPECT_EQ(opaque.Width(), 12);
  TBitmap fromPng;
  fromPng.Assign(&png);
  EXPECT_EQ(fromPng.PixelFormat(), pf32bit);
  EXPECT_EQ(fromPng.AlphaFormat(), afDefined);
  img = Drawn(fromPng, 12, 10, clLime);
  EXPECT_EQ(Px(img, 8, 8), clLime);

  TGIFImage gif;
  auto g = StreamOf(TinyGif());
  gif.LoadFromStream(g.get());
  EXPECT_EQ(gif.Width(), 4);
  EXPECT_EQ(gif.Height(), 2);
  EXPECT_TRUE(gif.Transparent());
  img = Drawn(gif, 4, 2, clLime);
  EXPECT_EQ(Px(img, 0, 0), clRed);
  EXPECT_EQ(Px(img, 3, 0), clBlue);
  EXPECT_EQ(Px(img, 0, 1), clLime);  // green in the GIF: 0x00FF00
  EXPECT_EQ(Px(img, 3, 1), clLime);  // transparent
  TMemoryStream gifOut;
  gif.SaveToStream(&gifOut);
  EXPECT_EQ(BytesOf(gifOut), TinyGif());
  TGIFImage made;
  made.Assign(&fromPng);
  EXPECT_EQ(made.Width(), 12);
  TMemoryStream nothing;
  EXPECT_EQ(MessageOf([&] { made.SaveToStream(&nothing); }),
            "EInvalidGraphicOperation: A GIF image can only be saved as it was loaded");
}

TEST(Icon, PicksTheSizeThatFitsAndDrawsWithItsMask) {
  QImage small = WithHole(16, 16), large(32, 32, QImage::Format_ARGB32);
  large.fill(qRgb(0, 0, 255));
  const QByteArray bytes = MakeIco({small, large});
  TIcon icon;
  auto s = StreamOf(bytes);
  icon.LoadFromStream(s.get());
  EXPECT_EQ(icon.Sizes(), (std::vector<TSize>{TSize(16, 16), TSize(32, 32)}));
  EXPECT_EQ(icon.Width(), 32);  // the default size
  EXPECT_TRUE(icon.Transparent());
  struct Case {
    int asked, got;
  } cases[] = {{16, 16}, {32, 32}, {20, 32}, {8, 16}, {64, 32}};
  for (const Case& c : cases) {
    icon.SetSize(c.asked, c.asked);
    EXPECT_EQ(icon.Width(), c.got) << c.asked;
  }
  TIcon asked;
  asked.SetSize(16, 16);  // before loading: the size to pick
  auto t = StreamOf(bytes);
  asked.LoadFromStream(t.get());
  EXPECT_EQ(asked.Width(), 16);
  const QImage img = Drawn(asked, 16, 16, clLime);
  EXPECT_EQ(Px(img, 1, 1), clRed);
  EXPECT_EQ(Px(img, 12, 12), clLime);  // the alpha hole

  // PNG-encoded entries and 8-bit entries with an AND mask.
  TIcon png;
  auto p = StreamOf(MakeIco({WithHole(48, 48)}, true));
  png.LoadFromStream(p.get());
  EXPECT_EQ(png.Width(), 48);
  EXPECT_EQ(Px(Drawn(png, 48, 48, clLime), 40, 40), clLime);
  TIcon masked;
  auto m = StreamOf(EightBitIcon());
  masked.LoadFromStream(m.get());
  const QImage mi = Drawn(masked, 2, 2, clYellow);
  EXPECT_EQ(Px(mi, 0, 0), clRed);
  EXPECT_EQ(Px(mi, 1, 0), clBlue);
  EXPECT_EQ(Px(mi, 0, 1), clLime);
  EXPECT_EQ(Px(mi, 1, 1), clYellow);

  TMemoryStream out;
  icon.SaveToStream(&out);
  EXPECT_EQ(BytesOf(out), bytes);
  TIcon copy;
  copy.Assign(&icon);
  EXPECT_EQ(copy.Sizes().size(), 2u);
  TBitmap asBitmap;
  asBitmap.Assign(&asked);
  EXPECT_TRUE(asBitmap.SupportsPartialTransparency());
}

// A PNG image of an icon is checked as PNG files are before it is decoded:
// a chunk claiming far more than the entry holds (here 771 MB inside a
// 300-byte entry) is refused without the decoder reserving memory for it.
TEST(Icon, PngImagesAreCheckedBeforeTheyAreDecoded) {
  QByteArray png = Encode(Quadrants(8, 6), "png");
  const int iend = png.size() - 12;
  QByteArray text("\x00\x00\x00\x05tEXta\x00" "bcd\x00\x00\x00\x00", 17);  // keyword "a", text "bcd"
  PutBE32(text, 13, Crc32(text.mid(4, 9)));
  PutBE32(text, 0, 771751973);  // the length a fuzzed icon claimed
  png.insert(iend, text);
  QByteArray ico = MakeIco({Quadrants(8, 6)}, true);
  ico = ico.left(22) + png;
  Put32(ico, 6 + 8, uint32_t(png.size()));

  static QStringList decoderMessages;
  decoderMessages.clear();
  const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& m) {
    decoderMessages << m;
  });
  TIcon icon;
  auto s = StreamOf(ico);
  const QString message = MessageOf([&] { icon.LoadFromStream(s.get()); });
  qInstallMessageHandler(previous);
  EXPECT_TRUE(message.startsWith("EInvalidGraphic: Icon image is not valid")) << message.toStdString();
  EXPECT_TRUE(icon.Empty());
  EXPECT_EQ(decoderMessages, QStringList()) << "the decoder saw the damaged image";

  // The same icon with the chunk's true length loads.
  PutBE32(ico, 22 + iend, 5);
  auto good = StreamOf(ico);
  icon.LoadFromStream(good.get());
  EXPECT_EQ(icon.Width(), 8);
}

TEST(Picture, DamagedFilesNeverCrash) {
  TBitmap bmp;
  bmp.AssignImage(Quadrants(6, 5));
  bmp.SetPixelFormat(pf8bit);
  TMemoryStream bmpStream;
  bmp.SaveToStream(&bmpStream);
  const QByteArray files[] = {BytesOf(bmpStream),         Encode(WithHole(8, 8), "png"),
                              Encode(Gradient(16, 16), "jpg"), TinyGif(),
                              MakeIco({WithHole(8, 8)}),      EightBitIcon()};
  uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return seed >> 8;
  };
  int loaded = 0, refused = 0;
  for (const QByteArray& file : files) {
    for (int round = 0; round < 300; ++round) {
      QByteArray damaged = file;
      if (round % 3 == 0) {
        damaged.truncate(int(next() % uint32_t(file.size())));
      } else {
        for (int k = 0; k < 1 + round % 4; ++k) damaged[int(next() % uint32_t(file.size()))] = char(next() & 0xFF);
      }
      TPicture picture;
      auto s = StreamOf(damaged);
      try {
        picture.LoadFromStream(s.get());
        ++loaded;
        // Whatever loaded can be drawn and saved.
        auto target = FilledBitmap(8, 8, clWhite);
        target->Canvas()->Draw(0, 0, picture.Graphic());
        TMemoryStream out;
        if (!dynamic_cast<TGIFImage*>(picture.Graphic())) picture.SaveToStream(&out);
      } catch (const EInvalidGraphic&) {
        ++refused;
        EXPECT_EQ(picture.Width(), 0);
      }
    }
  }
  EXPECT_GT(loaded, 0);
  EXPECT_GT(refused, 0);
}
