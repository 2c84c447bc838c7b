// Pictures and graphics in component streaming: the "Data" binary property
// of a picture (class name, then the graphic's data) and of a graphic, their
// round trips, and damaged data.

#include <gtest/gtest.h>

#include <functional>

#include "platform/rtl/Classes.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/PngImage.h"
#include "tests/platform/vcl/VclTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace vcltest;

// A component with a picture property and a bitmap (graphic) property; the
// integer after them shows that reading goes on at the right place.
class TPictureComp : public TComponent {
 public:
  TF_DECLARE_PUBLISHED(TPictureComp)
  explicit TPictureComp(TComponent* AOwner) : TComponent(AOwner) {}
  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* v) { FPicture->Assign(v); }
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* v) { FGlyph->Assign(v); }
  int32_t FAfter = 0;

 private:
  std::unique_ptr<TPicture> FPicture = std::make_unique<TPicture>();
  std::unique_ptr<TBitmap> FGlyph = std::make_unique<TBitmap>();
};

TF_PUBLISHED(TPictureComp, TComponent) {
  return TPublished<TPictureComp>()
      .Object("Picture", &TPictureComp::Picture, &TPictureComp::SetPicture)
      .Object("Glyph", &TPictureComp::Glyph, &TPictureComp::SetGlyph)
      .Integer("After", &TPictureComp::FAfter, &TPictureComp::FAfter)
      .Default(0);
}

namespace {

QByteArray Str(const QByteArray& s) { return QByteArray(1, static_cast<char>(s.size())) + s; }

QByteArray LE32(int32_t v) {
  QByteArray b(4, '\0');
  Put32(b, 0, static_cast<uint32_t>(v));
  return b;
}

QByteArray Binary(const QByteArray& data) { return QByteArray(1, vaBinary) + LE32(int32_t(data.size())) + data; }

QByteArray WriteToBytes(TComponent* c) {
  TBytesStream stream;
  stream.WriteComponent(c);
  return stream.Bytes();
}

// A TPictureComp named P whose picture data is the value Value, then After = 7.
QByteArray PictureStream(const QByteArray& value) {
  return QByteArray("TPF0") + Str("TPictureComp") + Str("P") + Str("Picture.Data") + value + Str("After") +
         QByteArray("\x02\x07", 2) + QByteArray(2, vaNull);
}

QImage WithAlpha(int w, int h) {
  QImage image = Quadrants(w, h).convertToFormat(QImage::Format_ARGB32);
  image.setPixel(0, 0, qRgba(10, 20, 30, 128));
  return image;
}

void ExpectSameGraphic(TGraphic* a, TGraphic* b, const char* what) {
  ASSERT_EQ(a == nullptr, b == nullptr) << what;
  if (!a) return;
  EXPECT_EQ(a->ClassName(), b->ClassName()) << what;
  EXPECT_TRUE(a->Equals(b)) << what;
  EXPECT_EQ(a->ToImage(), b->ToImage()) << what;
}

}  // namespace

TEST(PictureStreaming, PicturesTravelAsTheirClassAndData) {
  struct Case {
    const char* what;
    std::function<void(TPicture&)> fill;
    QByteArray className;  // empty: no graphic, nothing written
  };
  const Case cases[] = {
      {"png with alpha",
       [](TPicture& p) {
         auto s = StreamOf(Encode(WithAlpha(6, 5), "png"));
         p.LoadFromStream(s.get());
       },
       "TPngImage"},
      {"bitmap", [](TPicture& p) { p.Bitmap()->AssignImage(Quadrants(5, 3)); }, "TBitmap"},
      {"empty bitmap", [](TPicture& p) { p.Bitmap(); }, "TBitmap"},
      {"no graphic", [](TPicture&) {}, ""},
  };
  for (const Case& c : cases) {
    TPictureComp source(nullptr);
    source.SetName(QStringLiteral("P"));
    c.fill(*source.Picture());
    source.FAfter = 7;
    const QByteArray bytes = WriteToBytes(&source);
    if (c.className.isEmpty()) {
      EXPECT_EQ(bytes, QByteArray("TPF0") + Str("TPictureComp") + Str("P") + Str("After") +
                           QByteArray("\x02\x07", 2) + QByteArray(2, vaNull))
          << c.what;
    } else {
      TMemoryStream data;
      source.Picture()->WriteData(&data);
      const QByteArray graphicData = QByteArray(static_cast<const char*>(data.Memory()), int(data.Size()));
      EXPECT_TRUE(graphicData.startsWith(Str(c.className))) << c.what;
      EXPECT_EQ(bytes, PictureStream(Binary(graphicData))) << c.what;
    }

    TBytesStream stream(bytes);
    std::unique_ptr<TComponent> back = stream.ReadComponent();
    auto* p = dynamic_cast<TPictureComp*>(back.get());
    ASSERT_NE(p, nullptr) << c.what;
    ExpectSameGraphic(source.Picture()->Graphic(), p->Picture()->Graphic(), c.what);
    EXPECT_EQ(p->FAfter, 7) << c.what;
  }

  // The PNG's own bytes follow the class name unchanged.
  TPictureComp png(nullptr);
  const QByteArray file = Encode(WithAlpha(4, 4), "png");
  auto s = StreamOf(file);
  png.Picture()->LoadFromStream(s.get());
  EXPECT_TRUE(WriteToBytes(&png).contains(Binary(Str("TPngImage") + file)));
}

TEST(PictureStreaming, GraphicsTravelAsTheirData) {
  TPictureComp source(nullptr);
  source.Glyph()->AssignImage(Quadrants(4, 2));
  const QByteArray bytes = WriteToBytes(&source);
  TMemoryStream data;
  source.Glyph()->WriteData(&data);
  EXPECT_TRUE(bytes.contains(Str("Glyph.Data") +
                             Binary(QByteArray(static_cast<const char*>(data.Memory()), int(data.Size())))));
  TBytesStream stream(bytes);
  std::unique_ptr<TComponent> back = stream.ReadComponent();
  ExpectSameGraphic(source.Glyph(), static_cast<TPictureComp*>(back.get())->Glyph(), "glyph");

  TPictureComp empty(nullptr);
  EXPECT_FALSE(WriteToBytes(&empty).contains("Glyph")) << "an empty graphic writes no data";
}

TEST(PictureStreaming, DamagedDataRaisesReadErrorsAndKeepsThePicture) {
  const QByteArray png = Encode(Quadrants(6, 6), "png");
  struct Case {
    const char* what;
    QByteArray bytes;
    QString message;
  };
  const Case cases[] = {
      {"unknown class", PictureStream(Binary(Str("TNoSuch"))), "Invalid property value"},
      {"a class that is no graphic", PictureStream(Binary(Str("TPictureComp"))), "Invalid property value"},
      {"class name past the block", PictureStream(Binary(QByteArray("\x20TPng", 5))), "Stream read error"},
      {"empty block", PictureStream(Binary(QByteArray())), "Stream read error"},
      {"png cut in half", PictureStream(Binary(Str("TPngImage") + png.left(png.size() / 2))),
       "Invalid property value"},
      {"png garbled", PictureStream(Binary(Str("TPngImage") + png.left(16) + QByteArray(64, 'x'))),
       "Invalid property value"},
      {"bitmap length past the block", PictureStream(Binary(Str("TBitmap") + LE32(1000) + "BM")),
       "Invalid property value"},
      {"bitmap negative length", PictureStream(Binary(Str("TBitmap") + LE32(-5))), "Invalid property value"},
      {"block length past the stream", PictureStream(QByteArray(1, vaBinary) + LE32(0x7FFFFFF0) + "abc"),
       "Stream read error"},
      {"negative block length", PictureStream(QByteArray(1, vaBinary) + LE32(-1)), "Stream read error"},
      {"text instead of data", PictureStream(QByteArray("\x06\x01x", 3)), "Invalid property value"},
  };
  for (const Case& c : cases) {
    TPictureComp target(nullptr);
    target.Picture()->Bitmap()->AssignImage(Quadrants(2, 2));
    TBytesStream stream(c.bytes);
    try {
      stream.ReadComponent(&target);
      ADD_FAILURE() << c.what << ": no error";
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message(), c.message) << c.what;
    }
    ASSERT_NE(target.Picture()->Graphic(), nullptr) << c.what;
    EXPECT_EQ(target.Picture()->Graphic()->ClassName(), "TBitmap") << c.what;
    EXPECT_EQ(target.Picture()->Width(), 2) << c.what;
  }

  // Every cut of a good stream fails with a read error.
  TPictureComp source(nullptr);
  auto s = StreamOf(png);
  source.Picture()->LoadFromStream(s.get());
  source.Glyph()->AssignImage(Quadrants(3, 3));
  const QByteArray good = WriteToBytes(&source);
  for (qsizetype n = 0; n < good.size(); ++n) {
    TPictureComp target(nullptr);
    TBytesStream cut(good.left(n));
    EXPECT_THROW(cut.ReadComponent(&target), EReadError) << "cut at " << n;
  }
}
