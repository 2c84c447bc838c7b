// Pictures of the mini-HTML engine for canvases: by name from a picture
// container, by URL through the picture cache (over a loopback server, and
// "FILE://" references), stretched, animated, tiled as a background, and the
// limits of the synchronous web load a paint may wait for.

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "foundation/KitMiniHTMLEngine.h"
#include "gdiplus/PictureContainer.h"
#include "tests/gdiplus/GdipFixtures.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/foundation/MiniHtmlPictureDump.h"
#include "tests/support/TestSupport.h"

using namespace gdipfixtures;

namespace {

// A white sheet with the pinned font.
class TSheet {
 public:
  explicit TSheet(int W = 200, int H = 120) : FSurface(W, H) {
    Canvas()->Font()->SetName(QStringLiteral("DejaVu Sans"));
    Canvas()->Font()->SetHeight(-12);
    Canvas()->Font()->SetColor(0);
  }
  ~TSheet() { minihtmlpictures::Keep(Image()); }
  TCanvas* Canvas() { return FSurface.Canvas(); }
  QImage Image() { return FSurface.Image(); }
  QColor At(int X, int Y) { return FSurface.At(X, Y); }
  TMiniHtmlDrawResult Draw(const QString& AText, TMiniHtmlDrawParams AParams) {
    TMiniHtmlDrawResult r;
    DrawMiniHtml(Canvas(), AText, TRect(0, 0, Image().width(), Image().height()), AParams, r);
    return r;
  }

 private:
  TSurface FSurface;
};

// Where the picture's red quadrant lies: its bounding box.
QRect RedBox(const QImage& AImage) {
  QRect box;
  for (int y = 0; y < AImage.height(); ++y)
    for (int x = 0; x < AImage.width(); ++x)
      if (Near(ColorAt(AImage, x, y), QColor(255, 0, 0), 30)) box |= QRect(x, y, 1, 1);
  return box;
}

TSize TextSize(TSheet& ASheet, const QString& AText) {
  TMiniHtmlDrawParams p;
  p.MeasureOnly = true;
  const auto r = ASheet.Draw(AText, p);
  return TSize(r.Width, r.Height);
}

TEST(MiniHtmlPictures, ContainerPicturesByNameAtTheirSizeOrStretched) {
  TPictureContainer container(nullptr);
  TPictureItem* item = container.Items()->Add();
  item->SetName(QStringLiteral("Logo"));
  {
    THTMLPicture picture;
    TBytesStream bytes(Png(Quadrants(20, 10)));
    picture.LoadFromStream(&bytes);
    item->SetPicture(&picture);
  }
  TMiniHtmlDrawParams p;
  p.PictureContainer = &container;
  struct C {
    const char* Markup;
    QRect Red;       // the red quadrant as drawn
    int ExtraWidth;  // beyond "ab"
  } cases[] = {
      {"a<IMG SRC=\"logo\">b", {0, 0, 10, 5}, 20 + 2},
      {"a<IMG SRC=\"LOGO\" WIDTH=\"40\">b", {0, 0, 20, 10}, 40 + 2},              // height follows
      {"a<IMG SRC=\"logo\" WIDTH=\"40\" HEIGHT=\"40\">b", {0, 0, 20, 20}, 40 + 2},
      {"a<IMG SRC=\"nothing\">b", {}, 0},                                          // no space
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Markup);
    TSheet s;
    const auto plain = TextSize(s, QStringLiteral("ab"));
    const auto r = s.Draw(QString::fromUtf8(c.Markup), p);
    EXPECT_EQ(r.Width, plain.cx + c.ExtraWidth);
    const QRect red = RedBox(s.Image());
    if (c.Red.isEmpty()) {
      EXPECT_TRUE(red.isEmpty());
      continue;
    }
    // (Stretched pictures are smoothed: their edges blend over a few pixels.)
    EXPECT_NEAR(red.width(), c.Red.width(), 4);
    EXPECT_NEAR(red.height(), c.Red.height(), 4);
    EXPECT_LE(red.top(), 2);  // at the line's top
    EXPECT_GT(red.left(), 2);  // after "a"
  }
  // Without a container nothing is found.
  TSheet s;
  EXPECT_EQ(s.Draw(QStringLiteral("<IMG SRC=\"logo\">"), {}).Width, 0);
}

TEST(MiniHtmlPictures, FilePicturesThroughTheCache) {
  testsupport::TempDir dir;
  const QString file = WriteFile(dir.File(QStringLiteral("Pic.png")), Png(Quadrants(16, 16)));
  THTMLPictureCache cache;
  TMiniHtmlDrawParams p;
  p.PictureCache = &cache;
  TSheet s;
  const auto plain = TextSize(s, QStringLiteral("ab"));
  // The path keeps its case (file names tell cases apart here).
  auto r = s.Draw(QStringLiteral("a<IMG SRC=\"FILE://%1\">b").arg(file), p);
  EXPECT_EQ(r.Width, plain.cx + 16 + 2);
  EXPECT_EQ(RedBox(s.Image()).size(), QSize(8, 8));
  EXPECT_EQ(cache.Count(), 1);
  // A file that does not exist takes no space, and is not looked for again.
  TSheet m;
  r = m.Draw(QStringLiteral("a<IMG SRC=\"file://%1\">b").arg(dir.File(QStringLiteral("missing.png"))), p);
  EXPECT_EQ(r.Width, plain.cx);
  EXPECT_EQ(cache.Count(), 2);
  m.Draw(QStringLiteral("a<IMG SRC=\"file://%1\">b").arg(dir.File(QStringLiteral("missing.png"))), p);
  EXPECT_EQ(cache.Count(), 2);
}

TEST(MiniHtmlPictures, WebPicturesLoadOnceWithinTheirLimits) {
  testsupport::LoopbackHttpServer server;
  server.AddPage("/q.png", Png(Quadrants(12, 12)), "image/png");
  server.AddPage("/page.html", "<html>not a picture</html>", "text/html");
  testsupport::LoopbackHttpServer::Route big;
  big.Headers = {{"Content-Type", "image/png"}};
  big.Body = QByteArray(int(HTMLPictureMaxBytes) + 1024, 'x');
  server.AddRoute("/big.png", big);
  testsupport::LoopbackHttpServer::Route silent;
  silent.DelayMs = 30000;
  server.AddRoute("/silent.png", silent);

  THTMLPictureCache cache;
  TMiniHtmlDrawParams p;
  p.PictureCache = &cache;
  TSheet s;
  const auto plain = TextSize(s, QStringLiteral("ab"));
  auto r = s.Draw(QStringLiteral("a<IMG SRC=\"%1\">b").arg(server.Url(QStringLiteral("/q.png"))), p);
  EXPECT_EQ(r.Width, plain.cx + 12 + 2);
  EXPECT_EQ(RedBox(s.Image()).size(), QSize(6, 6));
  // Later paints find it in the cache.
  for (int i = 0; i < 3; ++i) s.Draw(QStringLiteral("<IMG SRC=\"%1\">").arg(server.Url(QStringLiteral("/q.png"))), p);
  EXPECT_EQ(server.RequestCount("/q.png"), 1);

  // What is no picture, too large, or another scheme takes no space.
  for (const QString& url : {server.Url(QStringLiteral("/page.html")), server.Url(QStringLiteral("/big.png")),
                             server.Url(QStringLiteral("/none.png")), QStringLiteral("ftp://127.0.0.1/x.png"),
                             QStringLiteral("gopher://127.0.0.1/x.png")}) {
    SCOPED_TRACE(url.toStdString());
    TSheet t;
    EXPECT_EQ(t.Draw(QStringLiteral("a<IMG SRC=\"%1\">b").arg(url), p).Width, plain.cx);
  }
  // A server that never answers holds the paint for the time limit only.
  QElapsedTimer timer;
  timer.start();
  TSheet t;
  EXPECT_EQ(t.Draw(QStringLiteral("a<IMG SRC=\"%1\">b").arg(server.Url(QStringLiteral("/silent.png"))), p).Width,
            plain.cx);
  EXPECT_LT(timer.elapsed(), HTMLPictureTimeout + 2000);
  EXPECT_GE(timer.elapsed(), HTMLPictureTimeout - 500);
  // ... once: the empty picture stays in the cache under its address.
  timer.restart();
  t.Draw(QStringLiteral("<IMG SRC=\"%1\">").arg(server.Url(QStringLiteral("/silent.png"))), p);
  EXPECT_LT(timer.elapsed(), 500);
}

TEST(MiniHtmlPictures, AnimationsAndBackgrounds) {
  TPictureContainer container(nullptr);
  TPictureItem* anim = container.Items()->Add();
  anim->SetName(QStringLiteral("anim"));
  {
    THTMLPicture gif;
    TBytesStream bytes(Gif(TGifOptions{16, 12, {10, 20}}));
    gif.LoadFromStream(&bytes);
    anim->SetPicture(&gif);
  }
  TPictureItem* tile = container.Items()->Add();
  tile->SetName(QStringLiteral("tile"));
  {
    THTMLPicture png;
    TBytesStream bytes(Png(Quadrants(8, 8)));
    png.LoadFromStream(&bytes);
    tile->SetPicture(&png);
  }
  TMiniHtmlDrawParams p;
  p.PictureContainer = &container;
  // An animation: its area is first filled in the brush colour of the call,
  // then the picture is drawn offset by the current frame's position (the
  // second frame is inset by 2).
  auto* gif = dynamic_cast<THTMLPicture*>(anim->Picture());
  ASSERT_NE(gif, nullptr);
  gif->SetFrame(2);
  ASSERT_EQ(gif->FrameXPos(), 2);
  TSheet a;
  a.Canvas()->Brush()->SetColor(0xFF00FF);
  const auto r = a.Draw(QStringLiteral("<IMG SRC=\"anim\">"), p);
  EXPECT_EQ(r.Width, 16 + 2);
  EXPECT_TRUE(Near(a.At(1, 0), QColor(255, 0, 255)));   // the fill, left of the offset picture
  EXPECT_TRUE(Near(a.At(16, 0), QColor(255, 0, 255)));   // the fill is the animation's size ...
  EXPECT_TRUE(Near(a.At(17, 0), QColor(Qt::white)));     // ... from the image's place
  EXPECT_FALSE(Near(a.At(8, 8), QColor(255, 0, 255)));   // the picture
  EXPECT_FALSE(Near(a.At(8, 8), QColor(Qt::white)));
  // BODY BACKGROUND tiles the picture over the rectangle (and only there).
  TSheet b(200, 120);
  TMiniHtmlDrawResult out;
  DrawMiniHtml(b.Canvas(), QStringLiteral("<BODY BACKGROUND=\"tile\">"), TRect(10, 10, 50, 42), p, out);
  const QImage image = b.Image();
  int reds = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (Near(ColorAt(image, x, y), QColor(255, 0, 0), 30)) {
        ++reds;
        EXPECT_TRUE(QRect(10, 10, 40, 32).contains(x, y));
      }
  EXPECT_EQ(reds, 5 * 4 * 16);  // 5 x 4 tiles of 8 x 8, a quarter of each red
}

}  // namespace
