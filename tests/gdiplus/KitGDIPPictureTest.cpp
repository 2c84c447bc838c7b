// The GDI+ picture classes: every format from memory and from files, the
// header sniffers, the format signatures, BMP keying, rotation, Assign,
// references, form data, events and the decode-once rule.

#include <gtest/gtest.h>

#include <QFile>

#include <functional>
#include <memory>

#include "gdiplus/GDIPicture.h"
#include "gdiplus/KitGDIPPicture.h"
#include "platform/vcl/GIFImg.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/PngImage.h"
#include "tests/gdiplus/GdipFixtures.h"
#include "tests/support/TestSupport.h"

using namespace KitGDIP;
using namespace gdipfixtures;

namespace {

struct TFormatCase {
  const char* Extension;
  QByteArray Bytes;
  TGPImageFormat Format;
  int W, H;              // decoded size
  int SniffW, SniffH;    // size from the file's header (0 x 0: no sniffer)
  TPictureFormat Signature;
};

std::vector<TFormatCase> FormatCases() {
  const QImage q = Quadrants(24, 16);
  return {
      {"png", Png(q), ifPNG, 24, 16, 24, 16, pfPNG},
      {"jpg", Jpeg(q), ifJPEG, 24, 16, 24, 16, pfJPG},
      {"bmp", Bmp(q), ifBMP, 24, 16, 24, 16, pfBMP},
      {"gif", Gif(TGifOptions{24, 16, {10, 20, 30}}), ifGIF, 24, 16, 24, 16, pfGIF},
      {"tif", Tiff(q), ifTIFF, 24, 16, 24, 16, pfTiff},
      {"ico", Ico(q), ifIcon, 24, 16, 0, 0, pfICO},
      {"wmf", Wmf(24, 16), ifWMF, 24, 16, 0, 0, pfMetaFile},  // the header size at 1440 per inch
      {"emf", Emf(24, 16), ifEMF, 24, 16, 0, 0, pfMetaFile},
  };
}

TEST(KitGDIPPictures, EveryFormatLoadsFromMemoryAndFromFilesWithItsSizeAndFormat) {
  testsupport::TempDir dir;
  for (const TFormatCase& c : FormatCases()) {
    SCOPED_TRACE(c.Extension);
    // From memory.
    TKitGDIPPicture fromMemory;
    TBytesStream stream(c.Bytes);
    fromMemory.LoadFromStream(&stream);
    EXPECT_FALSE(fromMemory.Empty());
    EXPECT_EQ(fromMemory.Width(), c.W);
    EXPECT_EQ(fromMemory.Height(), c.H);
    TGPImage* image = const_cast<TPictureBytes&>(fromMemory.Datastream()).Image();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetFormat(), c.Format);
    // From a file: the header first, the decoder at the first size query.
    const QString file = WriteFile(dir.File(QStringLiteral("picture.") + c.Extension), c.Bytes);
    TKitGDIPPicture fromFile;
    fromFile.LoadFromFile(file);
    EXPECT_FALSE(fromFile.Empty());
    EXPECT_EQ(fromFile.Width(), c.SniffW);
    EXPECT_EQ(fromFile.Height(), c.SniffH);
    EXPECT_EQ(fromFile.Datastream().DecodeCount(), 0) << "the header alone gave the size";
    EXPECT_TRUE(fromFile.GetImageSizes());
    EXPECT_EQ(fromFile.Width(), c.W);
    EXPECT_EQ(fromFile.Height(), c.H);
    // The hint picture learns the size from the decoder and tells the format.
    TGDIPPicture hint;
    hint.LoadFromFile(file);
    EXPECT_EQ(hint.GetFileName(), file);
    EXPECT_EQ(hint.Width(), c.W);
    EXPECT_EQ(hint.Height(), c.H);
    EXPECT_EQ(hint.PictureFormat(), c.Signature);
    EXPECT_EQ(hint.Graphic(), &hint);
  }
}

TEST(KitGDIPPictures, EveryFormatDrawsIntoAGraphics) {
  for (const TFormatCase& c : FormatCases()) {
    SCOPED_TRACE(c.Extension);
    TKitGDIPPicture picture;
    TBytesStream stream(c.Bytes);
    picture.LoadFromStream(&stream);
    TSurface surface(48, 32, Qt::black);
    {
      auto g = surface.Graphics();
      picture.GDIPDraw(g.get(), TGPRectF{0, 0, 48, 32});
    }
    const QImage image = surface.Image();
    image.save(PictureFolder() + "/picture-" + c.Extension + ".png");
    if (c.Format == ifWMF) {
      EXPECT_TRUE(Near(ColorAt(image, 24, 16), QColor(255, 0, 0))) << "the metafile's red rectangle";
    } else if (c.Format == ifEMF) {
      EXPECT_TRUE(Near(ColorAt(image, 24, 16), QColor(0, 255, 0))) << "the metafile's green polygon";
      EXPECT_TRUE(Near(ColorAt(image, 2, 2), QColor(0, 0, 0))) << "outside the polygon";
    } else if (c.Format == ifGIF) {
      EXPECT_TRUE(Near(ColorAt(image, 24, 16), QColor(255, 0, 0), 20)) << "the first frame";
    } else {
      EXPECT_TRUE(Near(ColorAt(image, 6, 6), QColor(255, 0, 0), 40));
      EXPECT_TRUE(Near(ColorAt(image, 42, 6), QColor(0, 255, 0), 40));
      EXPECT_TRUE(Near(ColorAt(image, 6, 26), QColor(0, 0, 255), 40));
      EXPECT_TRUE(Near(ColorAt(image, 42, 26), QColor(255, 255, 255), 40));
    }
  }
}

TEST(KitGDIPSniffers, HeadersAreReadSoundly) {
  testsupport::TempDir dir;
  using TSniff = void (*)(const QString&, int&, int&);
  // A JPEG frame header of the given kind after an APP0 segment.
  const auto jpeg = [](uchar sof, int w, int h, int appLength = 16) {
    QByteArray b("\xFF\xD8", 2);
    b.append("\xFF\xE0", 2);
    b.append(char(appLength >> 8));
    b.append(char(appLength & 0xFF));
    b.append(QByteArray(std::max(0, appLength - 2), 'J'));
    b.append(char(0xFF));
    b.append(char(sof));
    b.append("\x00\x11\x08", 3);
    b.append(char(h >> 8));
    b.append(char(h & 0xFF));
    b.append(char(w >> 8));
    b.append(char(w & 0xFF));
    b.append(QByteArray(20, '\0'));
    return b;
  };
  QByteArray bigPng = Png(Quadrants(4, 4));
  // IHDR width 70000 (above 16 bits), height 3.
  bigPng[16] = 0;
  bigPng[17] = char(0x01);
  bigPng[18] = char(0x11);
  bigPng[19] = char(0x70);
  bigPng[20] = 0;
  bigPng[21] = 0;
  bigPng[22] = 0;
  bigPng[23] = 3;
  // A GIF whose control extension's delay is 44 (the byte 0x2C) and whose
  // global table has 256 entries.
  QByteArray gif = Gif(TGifOptions{40, 30, {44}, true});
  QByteArray gif256 = gif;
  gif256[10] = char(0x87);
  gif256.insert(13 + 12, QByteArray(256 * 3 - 12, '\0'));
  QByteArray tooShortGif = Gif(TGifOptions{40, 30, {10}});
  tooShortGif.truncate(13 + 12 + 8 + 5);  // ends inside the descriptor
  QByteArray coreBmp("BM");
  coreBmp.append(QByteArray(12, '\0'));
  coreBmp.append("\x0C\x00\x00\x00\x21\x00\x07\x00\x01\x00\x18\x00", 12);
  const struct {
    const char* Name;
    TSniff Sniff;
    QByteArray Bytes;
    int W, H;
  } cases[] = {
      {"jpeg SOF0", GetJpegSize, jpeg(0xC0, 320, 200), 320, 200},
      {"jpeg SOF2", GetJpegSize, jpeg(0xC2, 17, 9), 17, 9},
      {"jpeg SOF3 is not read", GetJpegSize, jpeg(0xC3, 320, 200), 0, 0},
      {"jpeg segment length 0 ends the scan", GetJpegSize, jpeg(0xC0, 320, 200, 0), 0, 0},
      {"jpeg segment length 1 ends the scan", GetJpegSize, jpeg(0xC0, 320, 200, 1), 0, 0},
      {"jpeg wrong signature", GetJpegSize, QByteArray("\xFF\xD9xxxx"), 0, 0},
      {"png 32-bit width", GetPngSize, bigPng, 70000, 3},
      {"png real file", GetPngSize, Png(Quadrants(33, 7)), 33, 7},
      {"gif delay 44 and a comment holding 0x2C", GetGifSize, gif, 40, 30},
      {"gif with 256 colours", GetGifSize, gif256, 40, 30},
      {"gif ending in its descriptor", GetGifSize, tooShortGif, 0, 0},
      {"bmp bottom-up", GetBmpSize, Bmp(Quadrants(13, 5)), 13, 5},
      {"bmp top-down", GetBmpSize, Bmp(Quadrants(13, 5), true), 13, 5},
      {"bmp core header", GetBmpSize, coreBmp, 33, 7},
      {"tiff little-endian", GetTiffSize, Tiff(Quadrants(21, 11)), 21, 11},
      {"tiff big-endian", GetTiffSize, Tiff(Quadrants(21, 11), true), 21, 11},
      {"tiff libgdiplus", GetTiffSize, [] {
         TGPImage image(Png(Quadrants(9, 5)));
         TMemoryStream s;
         image.Save(&s, GdiplusEncoderTiff);
         return QByteArray(static_cast<const char*>(s.Memory()), qsizetype(s.Size()));
       }(), 9, 5},
      {"tiff not a tiff", GetTiffSize, QByteArray("IX*\0\x08\0\0\0", 8), 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const QString file = WriteFile(dir.File(QStringLiteral("sniff.bin")), c.Bytes);
    int w = -1, h = -1;
    c.Sniff(file, w, h);
    EXPECT_EQ(w, c.W);
    EXPECT_EQ(h, c.H);
  }
  int w = -1, h = -1;
  GetPngSize(dir.File(QStringLiteral("missing.png")), w, h);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(h, 0);
}

TEST(KitGDIPSniffers, PictureFormatFollowsTheSignatureRules) {
  const auto padded = [](QByteArray b, int size = 44) {
    b.resize(size, '\0');
    return b;
  };
  QByteArray emf = padded(QByteArray("\x01\x00\x00\x00", 4));
  emf.replace(40, 4, " EMF");
  const struct {
    const char* Name;
    QByteArray Bytes;
    TPictureFormat Format;
  } cases[] = {
      {"43-byte png", padded(QByteArray("\x89PNG\r\n\x1A\n"), 43), pfNone},
      {"44-byte png", padded(QByteArray("\x89PNG\r\n\x1A\n")), pfPNG},
      {"II 42", padded(QByteArray("II\x2A\x00", 4)), pfTiff},
      {"II 43", padded(QByteArray("II\x2B\x00", 4)), pfNone},
      {"MM 00 2A", padded(QByteArray("MM\x00\x2A", 4)), pfTiff},
      {"MM 2A 00", padded(QByteArray("MM\x2A\x00", 4)), pfNone},
      {"BM", padded("BM"), pfBMP},
      {"FF D8", padded("\xFF\xD8"), pfJPG},
      {"placeable metafile", padded(QByteArray("\xD7\xCD\xC6\x9A", 4)), pfMetaFile},
      {"enhanced metafile", emf, pfMetaFile},
      {"GIF", padded("GIF89a"), pfGIF},
      {"icon", padded(QByteArray("\x00\x00\x01\x00", 4)), pfICO},
      {"text", padded("hello"), pfNone},
  };
  for (const auto& c : cases) EXPECT_EQ(PictureFormatOf(c.Bytes), c.Format) << c.Name;
}

TEST(KitGDIPPictures, BitmapsAreKeyedUnstretchedByDrawAndStretchedByGDIPDraw) {
  // A BMP whose bottom-left pixel is blue, the key colour of tmAuto.
  QImage image = Quadrants(8, 8);
  TKitGDIPPicture picture;
  TBytesStream stream(Bmp(image));
  picture.LoadFromStream(&stream);

  TSurface drawn(40, 40, Qt::white);
  drawn.Canvas()->StretchDraw(TRect(4, 4, 36, 36), &picture);
  EXPECT_TRUE(Near(drawn.At(5, 5), QColor(255, 0, 0))) << "own size at the top-left";
  EXPECT_TRUE(Near(drawn.At(10, 5), QColor(0, 255, 0)));
  EXPECT_TRUE(Near(drawn.At(5, 10), QColor(255, 255, 255))) << "the blue quadrant keyed out";
  EXPECT_TRUE(Near(drawn.At(20, 20), QColor(255, 255, 255))) << "not stretched";
  drawn.Save(PictureFolder() + "/picture-bmp-draw.png");

  for (bool transparent : {false, true}) {
    SCOPED_TRACE(transparent);
    picture.SetTransparent(transparent);
    TSurface surface(40, 40, Qt::white);
    {
      auto g = surface.Graphics();
      picture.GDIPDraw(g.get(), TGPRectF{4, 4, 32, 32});
    }
    surface.Save(PictureFolder() + (transparent ? "/picture-bmp-gdipdraw-keyed.png" : "/picture-bmp-gdipdraw.png"));
    EXPECT_TRUE(Near(surface.At(28, 12), QColor(0, 255, 0))) << "stretched";
    EXPECT_TRUE(Near(surface.At(12, 28), transparent ? QColor(255, 255, 255) : QColor(0, 0, 255)));
  }
  // A fixed key takes the transparent colour instead.
  picture.SetTransparent(true);
  picture.SetTransparentMode(tmFixed);
  picture.SetTransparentColor(clLime);
  TSurface fixed(40, 40, Qt::white);
  {
    auto g = fixed.Graphics();
    picture.GDIPDraw(g.get(), TGPRectF{4, 4, 32, 32});
  }
  EXPECT_TRUE(Near(fixed.At(28, 12), QColor(255, 255, 255))) << "green keyed";
  EXPECT_TRUE(Near(fixed.At(12, 28), QColor(0, 0, 255)));
  EXPECT_EQ(picture.PixelDepth(), 24);
  EXPECT_FALSE(picture.HasAlpha());
}

TEST(KitGDIPPictures, AnAngleRotatesAboutTheCentreOfTheImagesOwnSize) {
  // An 8 x 4 picture drawn into (10, 10, 18, 14) and turned by 90 degrees
  // about (14, 12): it then covers x 12..16, y 8..16.
  QImage image(8, 4, QImage::Format_ARGB32);
  image.fill(QColor(255, 0, 0));
  TGDIPPicture picture;
  TBytesStream stream(Png(image));
  picture.LoadFromStream(&stream);
  picture.SetAngle(90);
  TSurface surface(40, 40, Qt::white);
  surface.Canvas()->StretchDraw(TRect(10, 10, 18, 14), &picture);
  surface.Save(PictureFolder() + "/picture-rotated.png");
  EXPECT_TRUE(Near(surface.At(14, 9), QColor(255, 0, 0)));
  EXPECT_TRUE(Near(surface.At(14, 15), QColor(255, 0, 0)));
  EXPECT_TRUE(Near(surface.At(11, 12), QColor(255, 255, 255)));
  EXPECT_TRUE(Near(surface.At(17, 12), QColor(255, 255, 255)));

  // Drawn into a larger rectangle the centre stays that of the image's size.
  TSurface larger(60, 60, Qt::white);
  larger.Canvas()->StretchDraw(TRect(10, 10, 50, 30), &picture);
  // Centre (14, 12): the 40 x 20 box turns into x -4..16, y 8..48.
  EXPECT_TRUE(Near(larger.At(10, 30), QColor(255, 0, 0)));
  EXPECT_TRUE(Near(larger.At(10, 45), QColor(255, 0, 0)));
  EXPECT_TRUE(Near(larger.At(40, 20), QColor(255, 255, 255)));
}

TEST(KitGDIPPictures, AssignTakesRasterContentAndClearsStaleSVG) {
  TStandInSVG engine;
  const QByteArray png = Png(Quadrants(6, 4));
  auto svgPicture = [] {
    auto p = std::make_unique<TKitGDIPPicture>();
    TBytesStream s(TStandInSVG::Document(30, 20));
    p->LoadFromStream(&s);
    return p;
  };
  // Null on a picture with SVG: only the raster bytes go.
  auto kit = svgPicture();
  ASSERT_TRUE(kit->HasSVG());
  kit->Assign(nullptr);
  EXPECT_TRUE(kit->HasSVG());
  EXPECT_EQ(kit->Width(), 30);
  TGDIPPicture hint;
  TBytesStream s1(TStandInSVG::Document(30, 20));
  hint.LoadFromStream(&s1);
  hint.Assign(nullptr);
  EXPECT_FALSE(hint.HasSVG());
  EXPECT_TRUE(hint.Empty());

  // Raster content assigned replaces the SVG content it would otherwise
  // hide.
  TPngImage pngImage;
  TBytesStream s2(png);
  pngImage.LoadFromStream(&s2);
  auto fromGraphic = svgPicture();
  fromGraphic->Assign(&pngImage);
  EXPECT_FALSE(fromGraphic->HasSVG());
  EXPECT_EQ(fromGraphic->Width(), 6);
  TPicture framework;
  framework.SetGraphic(&pngImage);
  auto fromPicture = svgPicture();
  fromPicture->Assign(&framework);
  EXPECT_EQ(fromPicture->Width(), 6);
  TBitmap bitmap(5, 3);
  TGDIPPicture hintFromBitmap;
  hintFromBitmap.Assign(&bitmap);
  EXPECT_EQ(hintFromBitmap.Width(), 5);
  EXPECT_EQ(hintFromBitmap.PictureFormat(), pfBMP);
  TBitmap emptyBitmap;
  hintFromBitmap.Assign(&emptyBitmap);
  EXPECT_TRUE(hintFromBitmap.Empty()) << "a bitmap without bytes";

  // Same class: a copy of the bytes, or of the SVG.
  TKitGDIPPicture copy;
  copy.Assign(fromGraphic.get());
  EXPECT_EQ(copy.Datastream().Bytes(), png);
  auto svg = svgPicture();
  copy.Assign(svg.get());
  EXPECT_TRUE(copy.HasSVG());
  EXPECT_EQ(copy.Height(), 20);
  // Anything else changes nothing.
  TStringList other;
  TKitGDIPPicture untouched;
  untouched.Assign(&other);
  EXPECT_TRUE(untouched.Empty());
}

TEST(KitGDIPPictures, SVGContentDrawsThroughTheGraphicsDeviceContext) {
  TStandInSVG engine;
  TKitGDIPPicture picture;
  TBytesStream s(TStandInSVG::Document(20, 10));
  picture.LoadFromStream(&s);
  ASSERT_TRUE(picture.HasSVG());
  TSurface surface(40, 30, Qt::white);
  {
    auto g = surface.Graphics();
    picture.GDIPDraw(g.get(), TGPRectF{5, 5, 20, 10});
  }
  EXPECT_TRUE(Near(surface.At(10, 10), QColor(255, 0, 255)));
  EXPECT_TRUE(Near(surface.At(30, 20), QColor(255, 255, 255)));
  // On a graphics of an image the device context works on its pixels.
  TGPBitmap bitmap(40, 30, PixelFormat32bppPARGB);
  {
    TGPGraphics g(&bitmap);
    TGDIPPicture hint;
    TBytesStream s2(TStandInSVG::Document(20, 10));
    hint.LoadFromStream(&s2);
    hint.DrawImageRect(&g, 2, 2, 10, 10);
  }
  ARGB c = 0;
  bitmap.GetPixel(5, 5, c);
  EXPECT_EQ(c, 0xFFFF00FFu);
}

TEST(KitGDIPPictures, ReferencesAndResources) {
  TKitGDIPPicture byResource;
  byResource.LoadFromURL(QStringLiteral("rEs://logo"));
  EXPECT_EQ(byResource.Width(), 8);
  EXPECT_EQ(byResource.Height(), 6);
  TKitGDIPPicture missing;
  missing.LoadFromURL(QStringLiteral("RES://NOSUCHRESOURCE"));
  EXPECT_TRUE(missing.Empty());
  missing.LoadFromURL(QStringLiteral("http://example.invalid/a.png"));
  missing.LoadFromURL(QStringLiteral("RES://"));
  EXPECT_TRUE(missing.Empty());
  testsupport::TempDir dir;
  const QString file = WriteFile(dir.File(QStringLiteral("p.png")), Png(Quadrants(7, 3)));
  TGDIPPicture byFile;
  byFile.LoadFromURL(QStringLiteral("file://") + file);
  EXPECT_EQ(byFile.Width(), 7);
  EXPECT_NE(testsupport::MessageOf([] {
              TKitGDIPPicture p;
              p.LoadFromResourceID(0, 4711);
            }),
            QStringLiteral("no exception"));
  // A missing or unreadable file leaves the picture empty and raises nothing.
  TKitGDIPPicture none;
  none.LoadFromFile(dir.File(QStringLiteral("absent.png")));
  EXPECT_TRUE(none.Empty());
}

TEST(KitGDIPPictures, FormDataRoundTripsAndTellsSVGFromRasterSafely) {
  TStandInSVG engine;
  const QByteArray png = Png(Quadrants(6, 4));
  TKitGDIPPicture raster;
  TBytesStream s(png);
  raster.LoadFromStream(&s);
  TMemoryStream data;
  raster.WriteData(&data);
  EXPECT_EQ(data.Size(), png.size()) << "raw bytes";
  data.SetPosition(0);
  TKitGDIPPicture read;
  read.ReadData(&data);
  EXPECT_EQ(read.Datastream().Bytes(), png);
  EXPECT_EQ(read.Width(), 6);

  // An SVG text of 0x4D42 bytes: its count spells "BM".
  QByteArray text = TStandInSVG::Document(30, 20);
  text.append(QByteArray(0x4D42 - text.size() - 6, ' '));
  text.append("</svg>");
  ASSERT_EQ(text.size(), 0x4D42);
  for (auto make : std::vector<std::function<std::unique_ptr<TKitSVGBitmap>()>>{
           [] { return std::make_unique<TKitGDIPPicture>(); }, [] { return std::make_unique<TGDIPPicture>(); }}) {
    std::unique_ptr<TKitSVGBitmap> svg = make();
    TBytesStream source(text);
    svg->LoadFromStream(&source);
    ASSERT_TRUE(svg->HasSVG());
    TMemoryStream form;
    svg->WriteData(&form);
    EXPECT_EQ(QByteArray(static_cast<const char*>(form.Memory()), 2), QByteArray("BM"));
    form.SetPosition(0);
    std::unique_ptr<TKitSVGBitmap> back = make();
    back->ReadData(&form);
    EXPECT_TRUE(back->HasSVG()) << "read as SVG, not as a bitmap";
    EXPECT_EQ(back->Width(), 30);
  }
}

TEST(KitGDIPPictures, EventsFollowTheLoadPaths) {
  testsupport::TempDir dir;
  const QString file = WriteFile(dir.File(QStringLiteral("p.gif")), Gif(TGifOptions{}));
  TKitGDIPPicture picture;
  QStringList events;
  picture.OnChange = [&](TObject*) { events << "change"; };
  picture.OnClear = [&](TObject*) { events << "clear"; };
  picture.LoadFromFile(file);
  EXPECT_EQ(events, QStringList({"clear", "change"}));
  events.clear();
  TBytesStream s(Png(Quadrants(4, 4)));
  picture.LoadFromStream(&s);
  EXPECT_EQ(events, QStringList({"change"}));
  events.clear();
  TMemoryStream data;
  picture.WriteData(&data);
  data.SetPosition(0);
  picture.ReadData(&data);
  EXPECT_TRUE(events.isEmpty());
  picture.Assign(nullptr);
  EXPECT_EQ(events, QStringList({"change", "clear"}));
  EXPECT_TRUE(picture.Empty());
  events.clear();
  TMemoryStream empty;
  picture.LoadFromStream(&empty);
  picture.LoadFromStream(nullptr);
  EXPECT_TRUE(events.isEmpty()) << "null and empty streams are ignored";
}

TEST(KitGDIPPictures, BytesAreDecodedOncePerChangeNotPerDraw) {
  TKitGDIPPicture picture;
  TBytesStream s(Png(Quadrants(16, 16)));
  picture.LoadFromStream(&s);
  TGPBitmap bitmap(32, 32, PixelFormat32bppPARGB);
  TGPGraphics g(&bitmap);
  const int before = picture.Datastream().DecodeCount();
  for (int i = 0; i < 50; ++i) picture.GDIPDraw(&g, TGPRectF{0, 0, 32, 32});
  for (int i = 0; i < 10; ++i) picture.FillRect(&g, TGPRectF{0, 0, 32, 32});
  picture.GetImageSizes();
  EXPECT_EQ(picture.Datastream().DecodeCount(), before);
  TBytesStream other(Png(Quadrants(8, 8)));
  picture.LoadFromStream(&other);
  EXPECT_EQ(picture.Width(), 8);
  EXPECT_EQ(picture.Datastream().DecodeCount(), before + 1);
}

TEST(KitGDIPPictures, NestedDrawsOfTheFloatOverloadAreSkipped) {
  // A picture drawing itself again while it draws (an SVG engine calling
  // back, say) draws only once.
  struct TReentrant : TKitSVGImport {
    TKitGDIPPicture* Picture = nullptr;
    TGPGraphics* Graphics = nullptr;
    int Draws = 0;
    bool HasElements() override { return true; }
    void Clear() override {}
    void LoadFromStream(TStream*) override {}
    void Draw(TCanvas*, const TRectF&, bool) override {
      ++Draws;
      if (Picture && Draws < 5) Picture->GDIPDraw(Graphics, TGPRectF{0, 0, 4, 4});
    }
  };
  TReentrant* engine = nullptr;
  TKitSVGImport::SetSVGImportFactory([&engine] {
    auto e = std::make_unique<TReentrant>();
    engine = e.get();
    return e;
  });
  {
    TKitGDIPPicture picture;
    TBytesStream s(TStandInSVG::Document(4, 4));
    picture.LoadFromStream(&s);
    TGPBitmap bitmap(8, 8, PixelFormat32bppPARGB), other(8, 8, PixelFormat32bppPARGB);
    TGPGraphics g(&bitmap), nested(&other);
    engine->Picture = &picture;
    engine->Graphics = &nested;  // a graphics of its own, so only the guard stops it
    picture.GDIPDraw(&g, TGPRectF{0, 0, 4, 4});
    EXPECT_EQ(engine->Draws, 1);
    picture.GDIPDraw(&g, TGPRectF{0, 0, 4, 4});
    EXPECT_EQ(engine->Draws, 2) << "the guard is cleared after the draw";
  }
  TKitSVGImport::SetSVGImportFactory({});
}

}  // namespace
