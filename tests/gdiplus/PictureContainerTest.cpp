// HTML pictures (GIF frames, the animation step, references), the picture
// cache and the picture container.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

#include <memory>

#include "foundation/KitGraphics.h"
#include "gdiplus/PictureContainer.h"
#include "platform/rtl/ComponentStreaming.h"
#include "platform/vcl/StdCtrls.h"
#include "tests/gdiplus/GdipFixtures.h"
#include "tests/support/TestSupport.h"

using namespace KitGDIP;
using namespace gdipfixtures;

namespace {

void Load(THTMLPicture& picture, const QByteArray& bytes) {
  TBytesStream stream(bytes);
  picture.LoadFromStream(&stream);
}

TEST(HTMLPicture, FramesAreCountedWithTheirDelaysAndPositions) {
  THTMLPicture gif;
  Load(gif, Gif(TGifOptions{16, 12, {10, 20, 30}}));
  EXPECT_TRUE(gif.IsGIF());
  EXPECT_EQ(gif.FrameCount(), 3);
  EXPECT_EQ(gif.GetFrameTime(1), 10);
  EXPECT_EQ(gif.GetFrameTime(3), 30);
  EXPECT_EQ(gif.GetFrameTime(4), -1);
  EXPECT_EQ(gif.GetFrameTime(0), -1);
  EXPECT_EQ(gif.Width(), 16);
  EXPECT_EQ(gif.Height(), 12);
  EXPECT_EQ(gif.MaxWidth(), 16);
  int changes = 0;
  gif.OnFrameChange = [&](TObject*) { ++changes; };
  gif.SetFrame(3);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(gif.FrameXPos(), 4) << "frame 3 is inset by 4";
  EXPECT_EQ(gif.FrameYPos(), 4);
  gif.SetFrame(9);
  EXPECT_EQ(gif.FrameXPos(), 0) << "beyond the last frame";

  THTMLPicture png;
  Load(png, Png(Quadrants(4, 4)));
  EXPECT_FALSE(png.IsGIF());
  EXPECT_EQ(png.FrameCount(), -1);
  EXPECT_EQ(png.GetFrameTime(1), -1);
  EXPECT_FALSE(png.Step());
}

TEST(HTMLPicture, FramesFollowTheBlockStructureNotByteLookalikes) {
  // Comments holding 0x2C and 21 F9 04 bytes between each control
  // extension and its image count nothing extra; frames without a control
  // extension count with a delay of 0.
  THTMLPicture commented;
  Load(commented, Gif(TGifOptions{16, 12, {10, 20, 30}, true}));
  EXPECT_EQ(commented.FrameCount(), 3);
  EXPECT_EQ(commented.GetFrameTime(2), 20);
  THTMLPicture plain;
  Load(plain, Gif(TGifOptions{16, 12, {10, 20}, false, true}));
  EXPECT_EQ(plain.FrameCount(), 2);
  EXPECT_EQ(plain.GetFrameTime(2), 0);
  // A last frame whose descriptor is cut short is not counted.
  QByteArray cut = Gif(TGifOptions{16, 12, {10, 20, 30}});
  const qsizetype last = cut.lastIndexOf("\x21\xF9\x04");
  cut.truncate(last + 8 + 5);
  THTMLPicture truncated;
  Load(truncated, cut);
  EXPECT_EQ(truncated.FrameCount(), 2);
}

TEST(HTMLPicture, StepAdvancesAfterEachFramesDelayInTicksOf100ms) {
  THTMLPicture gif;
  Load(gif, Gif(TGifOptions{16, 12, {10, 20, 30}}));
  ASSERT_EQ(gif.FrameCount(), 3);
  std::vector<int> frames;
  std::vector<bool> advanced;
  for (int call = 1; call <= 8; ++call) {
    advanced.push_back(gif.Step());
    frames.push_back(gif.Frame());
  }
  EXPECT_EQ(frames, (std::vector<int>{1, 1, 2, 2, 3, 3, 3, 1}));
  EXPECT_EQ(advanced, (std::vector<bool>{false, false, true, false, true, false, false, true}));
  EXPECT_EQ(gif.FrameXPos(), 0);

  gif.SetFrame(3);
  gif.FrameNext();
  EXPECT_EQ(gif.Frame(), 1);
  gif.FramePrev();
  EXPECT_EQ(gif.Frame(), 3);
  gif.SetFrame(2);
  gif.FramePrev();
  EXPECT_EQ(gif.Frame(), 1);
}

TEST(HTMLPicture, LoadingNewContentResetsTheAnimation) {
  THTMLPicture gif;
  Load(gif, Gif(TGifOptions{16, 12, {10, 10, 10}}));
  ASSERT_EQ(gif.FrameCount(), 3);
  for (int i = 0; i < 3; ++i) gif.Step();
  ASSERT_EQ(gif.Frame(), 2);
  Load(gif, Gif(TGifOptions{16, 12, {50, 50}}));
  EXPECT_EQ(gif.Frame(), 1);
  EXPECT_EQ(gif.FrameCount(), 2);
  EXPECT_FALSE(gif.Step()) << "the new delays count from the start";
}

TEST(HTMLPicture, DrawShowsTheCurrentFrameComposedOnTheScreen) {
  THTMLPicture gif;
  Load(gif, Gif(TGifOptions{16, 12, {10, 10, 10}}));
  const auto drawn = [&](int frame) {
    gif.SetFrame(frame);
    auto surface = std::make_unique<TSurface>(32, 24, Qt::black);
    surface->Canvas()->StretchDraw(TRect(0, 0, 32, 24), &gif);
    return surface;
  };
  auto first = drawn(1), second = drawn(2), third = drawn(3);
  first->Save(PictureFolder() + "/html-gif-frame1.png");
  second->Save(PictureFolder() + "/html-gif-frame2.png");
  third->Save(PictureFolder() + "/html-gif-frame3.png");
  EXPECT_TRUE(Near(first->At(16, 12), QColor(255, 0, 0), 30));
  EXPECT_TRUE(Near(second->At(16, 12), QColor(0, 255, 0), 30));
  EXPECT_TRUE(Near(second->At(1, 1), QColor(255, 0, 0), 30)) << "frame 1 shows around frame 2";
  EXPECT_TRUE(Near(third->At(16, 12), QColor(0, 0, 255), 30));
  EXPECT_TRUE(Near(third->At(5, 5), QColor(0, 255, 0), 30));
}

TEST(HTMLPicture, ReferencesSetTheIdAndWebAddressesAreRecorded) {
  THTMLPicture byResource;
  byResource.LoadFromURL(QStringLiteral("res://Logo"));
  EXPECT_EQ(byResource.ID(), QStringLiteral("res://Logo"));
  EXPECT_EQ(byResource.Width(), 8);
  EXPECT_FALSE(byResource.Empty());

  testsupport::TempDir dir;
  const QString file = WriteFile(dir.File(QStringLiteral("f.gif")), Gif(TGifOptions{}));
  THTMLPicture byFile;
  byFile.LoadFromURL(QStringLiteral("File://") + file);
  EXPECT_EQ(byFile.ID(), QStringLiteral("File://") + file);
  EXPECT_EQ(byFile.FrameCount(), 1);

  THTMLPicture web;
  web.SetAsynch(false);
  web.LoadFromURL(QStringLiteral("https://example.invalid/a.png"));
  EXPECT_EQ(web.ID(), QStringLiteral("https://example.invalid/a.png"));
  EXPECT_EQ(web.URL(), QStringLiteral("https://example.invalid/a.png"));
  EXPECT_TRUE(web.Empty());
  EXPECT_FALSE(web.Busy());

  THTMLPicture background;
  EXPECT_TRUE(background.Asynch());
  background.LoadFromURL(QStringLiteral("https://example.invalid/b.png"));
  EXPECT_TRUE(background.Busy());
  EXPECT_TRUE(background.ID().isEmpty()) << "a background request leaves the id";
  background.LoadFromURL(QStringLiteral("https://example.invalid/c.png"));
  EXPECT_EQ(background.URL(), QStringLiteral("https://example.invalid/b.png")) << "one request at most";
  // The thread ends at once and frees itself.
  for (int i = 0; i < 20; ++i) {
    QCoreApplication::processEvents();
    QThread::msleep(5);
  }

  THTMLPicture none;
  none.LoadFromURL(QStringLiteral("RES://"));
  none.LoadFromURL(QStringLiteral("FILE://"));
  EXPECT_TRUE(none.Empty());
  EXPECT_NE(testsupport::MessageOf([] {
              THTMLPicture p;
              p.LoadFromResourceID(0, 4711);
            }),
            QStringLiteral("no exception"));
}

TEST(HTMLPicture, AssignCopiesContentFrameAndIdentity) {
  THTMLPicture source;
  Load(source, Gif(TGifOptions{16, 12, {10, 20, 30}}));
  source.SetID(QStringLiteral("pic"));
  source.SetStretch(true);
  source.SetFrame(2);
  THTMLPicture copy;
  copy.Assign(&source);
  EXPECT_EQ(copy.ID(), QStringLiteral("pic"));
  EXPECT_TRUE(copy.Stretch());
  EXPECT_EQ(copy.Frame(), 2);
  EXPECT_EQ(copy.FrameCount(), 3);
  EXPECT_EQ(copy.FrameXPos(), 2);
  copy.Assign(nullptr);
  EXPECT_EQ(copy.Datastream().Size(), 0);
  EXPECT_EQ(copy.Frame(), 1);
  TBitmap bitmap(6, 5);
  copy.Assign(&bitmap);
  EXPECT_EQ(copy.Width(), 6);
  EXPECT_EQ(copy.FrameCount(), -1);
}

TEST(HTMLPictureCache, FindsByExactIdAndAnimatesEveryPicture) {
  auto cache = std::make_unique<THTMLPictureCache>();
  THTMLPicture* a = cache->AddPicture();
  EXPECT_TRUE(a->Asynch());
  a->LoadFromURL(QStringLiteral("res://logo"));
  THTMLPicture* b = cache->AddPicture();
  b->SetAsynch(false);
  b->LoadFromURL(QStringLiteral("http://example.invalid/x.gif"));
  EXPECT_EQ(cache->FindPicture(QStringLiteral("res://logo")), a);
  EXPECT_EQ(cache->FindPicture(QStringLiteral("RES://LOGO")), nullptr) << "exact case";
  EXPECT_EQ(cache->FindPicture(QStringLiteral("http://example.invalid/x.gif")), b);
  EXPECT_EQ(cache->GetPicture(1), b);

  THTMLPicture* gif = cache->AddPicture();
  Load(*gif, Gif(TGifOptions{16, 12, {10, 10}}));
  gif->FrameCount();
  int advanced = 0;
  for (int tick = 0; tick < 10; ++tick)
    if (cache->Animate()) ++advanced;
  EXPECT_GE(advanced, 4);
  cache->SetPicture(0, new THTMLPicture());  // the replaced picture is freed
  cache->ClearPictures();
  EXPECT_EQ(cache->Count(), 0);
}

TEST(HTMLPictureCache, FrameTablesAreParsedOncePerContent) {
  THTMLPictureCache cache;
  for (int i = 0; i < 5; ++i) Load(*cache.AddPicture(), Gif(TGifOptions{16, 12, {10, 20, 30, 40}}));
  for (int tick = 0; tick < 100; ++tick) cache.Animate();
  for (int i = 0; i < cache.Count(); ++i) EXPECT_EQ(cache.GetPicture(i)->FrameTableBuilds(), 1);
}

// A picture whose instances are counted, for the container's scratch
// pictures.
class TCountedPicture : public THTMLPicture {
 public:
  TF_DECLARE_PUBLISHED(TCountedPicture)
  static inline int Alive = 0;
  TCountedPicture() { ++Alive; }
  ~TCountedPicture() override { --Alive; }
};
TF_PUBLISHED(TCountedPicture, THTMLPicture) { return TPublished<TCountedPicture>(); }

class TCountedItem : public TPictureItem {
 public:
  using TPictureItem::TPictureItem;

 protected:
  std::unique_ptr<TGraphic> CreatePicture() override { return std::make_unique<TCountedPicture>(); }
};

TEST(PictureContainer, FindsByNameWithoutCaseAndKeepsOneScratchPicture) {
  TPictureContainer container(nullptr);
  TPictureItem* logo = container.Items()->Add();
  logo->SetName(QStringLiteral("Logo"));
  static_cast<THTMLPicture*>(logo->Picture())->LoadFromURL(QStringLiteral("RES://LOGO"));
  TPictureItem* other = container.Items()->Add();
  other->SetName(QStringLiteral("Other"));
  EXPECT_EQ(container.FindPicture(QStringLiteral("LOGO")), logo->Picture());
  EXPECT_EQ(container.FindPicture(QStringLiteral("logo")), logo->Picture());
  EXPECT_EQ(container.FindPicture(QStringLiteral("missing")), nullptr);
  TPicture* first = container.FindBitmap(QStringLiteral("logo"));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Width(), 8);
  EXPECT_EQ(container.FindBitmap(QStringLiteral("missing")), nullptr);
  EXPECT_EQ(container.Version(), QStringLiteral("2.1.1.0"));
  container.SetVersion(QStringLiteral("9.9.9.9"));
  EXPECT_EQ(container.Version(), QStringLiteral("2.1.1.0"));

  // Scratch pictures: each FindBitmap or Bitmap frees the one before.
  TPictureContainer counted(nullptr);
  auto* item = new TCountedItem(counted.Items());
  item->SetName(QStringLiteral("c"));
  static_cast<THTMLPicture*>(item->Picture())->LoadFromURL(QStringLiteral("RES://LOGO"));
  ASSERT_EQ(TCountedPicture::Alive, 1);
  TPicture* one = counted.FindBitmap(QStringLiteral("C"));
  EXPECT_EQ(TCountedPicture::Alive, 2);
  TPicture* two = counted.FindBitmap(QStringLiteral("c"));
  EXPECT_NE(one, nullptr);
  EXPECT_NE(two, nullptr);
  EXPECT_EQ(TCountedPicture::Alive, 2) << "the first scratch picture was freed";
  item->Bitmap();
  EXPECT_EQ(TCountedPicture::Alive, 2);
  EXPECT_EQ(item->Container(), &counted);
}

TEST(PictureContainer, RegisteredControlsAreRepaintedAndForgottenWhenTheyDie) {
  TPictureContainer container(nullptr);
  int changes = 0;
  container.OnChange = [&](TObject*) { ++changes; };
  {
    auto label = std::make_unique<TLabel>(nullptr);
    container.RegisterControl(label.get());
    container.RegisterControl(label.get());
    EXPECT_EQ(container.ControlCount(), 2);
    container.Changed();
    EXPECT_EQ(changes, 1);
  }
  EXPECT_EQ(container.ControlCount(), 0) << "every entry of the dead control went";
  container.Changed();  // touches no freed control
  EXPECT_EQ(changes, 2);
}

TEST(PictureContainer, ItemsCopyAndStreamWithTheirPictures) {
  TPictureContainer container(nullptr);
  TPictureItem* item = container.Items()->Add();
  item->SetName(QStringLiteral("Anim"));
  item->SetTag(7);
  Load(*static_cast<THTMLPicture*>(item->Picture()), Gif(TGifOptions{16, 12, {10, 20}}));
  EXPECT_NE(testsupport::MessageOf([&] { item->Assign(&container); }).indexOf(QStringLiteral("EInvalidCast")), -1);

  TPictureContainer other(nullptr);
  other.SetItems(container.Items());
  ASSERT_EQ(other.Items()->Count(), 1);
  EXPECT_EQ(other.Items()->Items(0)->Name(), QStringLiteral("Anim"));
  EXPECT_EQ(other.Items()->Items(0)->Tag(), 7);
  auto* copied = static_cast<THTMLPicture*>(other.Items()->Items(0)->Picture());
  EXPECT_EQ(copied->FrameCount(), 2);
  EXPECT_EQ(other.Items()->Animate(), false);

  TMemoryStream stream;
  stream.WriteComponent(&container);
  stream.SetPosition(0);
  TPictureContainer read(nullptr);
  stream.ReadComponent(&read);
  ASSERT_EQ(read.Items()->Count(), 1);
  auto* back = static_cast<THTMLPicture*>(read.Items()->Items(0)->Picture());
  EXPECT_EQ(back->FrameCount(), 2);
  EXPECT_EQ(back->Datastream().Bytes(), static_cast<THTMLPicture*>(item->Picture())->Datastream().Bytes());
  EXPECT_EQ(read.Items()->Items(0)->Name(), QStringLiteral("Anim"));
}

}  // namespace

namespace {

TEST(PictureContainer, TheDrawingFacadeFindsNamedPicturesWithTheirScale) {
  TPictureContainer container(nullptr);
  TPictureItem* scaled = container.Items()->Add();
  scaled->SetName(QStringLiteral("Logo_2"));
  static_cast<THTMLPicture*>(scaled->Picture())->LoadFromURL(QStringLiteral("RES://LOGO"));
  // Only the picture for scale 2 exists: found with the scale applied,
  // not by the plain name.
  EXPECT_NE(TKitGraphics::GetBitmapFromPictureContainer(&container, QStringLiteral("Logo"), true, 2.0f), nullptr);
  EXPECT_EQ(TKitGraphics::GetBitmapFromPictureContainer(&container, QStringLiteral("Logo"), false, 2.0f), nullptr);
  EXPECT_EQ(TKitGraphics::GetBitmapFromPictureContainer(&container, QStringLiteral("Logo"), true, 1.5f), nullptr);
  EXPECT_EQ(TKitGraphics::GetBitmapFromPictureContainer(nullptr, QStringLiteral("Logo"), true, 2.0f), nullptr);
  EXPECT_EQ(TKitGraphics::GetBitmapFromPictureContainer(&container, QString(), true, 2.0f), nullptr);

  auto g = TKitGraphics::CreateBitmapCanvas(20, 20, false, true);
  g->Bitmap()->Canvas()->Brush()->SetColor(0xFFFFFF);
  g->Bitmap()->Canvas()->FillRect(TRect(0, 0, 20, 20));
  g->SetPictureContainer(&container);
  g->DrawBitmapWithName(TRectF(0, 0, 20, 20), QStringLiteral("Logo"), true, 2.0f, false, true, false, false);
  int drawn = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) drawn += g->Bitmap()->Canvas()->Pixels(x, y) != TColor(0xFFFFFF) ? 1 : 0;
  EXPECT_GT(drawn, 0);
}

}  // namespace
