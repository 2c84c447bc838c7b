// The run-time binding and the process's other GDI+ user start and stop in
// every order; each keeps working while the other comes and goes, and the
// library itself is never shut down while the program runs.

#include <gtest/gtest.h>

#include <QImage>

#include <functional>
#include <string>
#include <vector>

#include "foundation/KitGDIPlusClasses.h"

namespace {

using namespace KitGDIPlusClasses;

// The other binding of the process: a user of the shared start-up that calls
// the flat functions the runtime answers for, as the link-time binding does.
class OtherBinding {
 public:
  void Start() {
    GdiplusStartupInput input;
    ASSERT_EQ(GdiplusStartupShared(&token_, &input, nullptr), Ok);
  }
  void Stop() {
    GdiplusShutdownShared(token_);
    token_ = 0;
  }
  // Fills a bitmap through the flat functions and reads a pixel back.
  bool Draws() const {
    auto fromScan0 = reinterpret_cast<PFN_GdipCreateBitmapFromScan0>(
        GdiplusProc("GdipCreateBitmapFromScan0"));
    auto context = reinterpret_cast<PFN_GdipGetImageGraphicsContext>(
        GdiplusProc("GdipGetImageGraphicsContext"));
    auto solid = reinterpret_cast<PFN_GdipCreateSolidFill>(GdiplusProc("GdipCreateSolidFill"));
    auto fill = reinterpret_cast<PFN_GdipFillRectangleI>(GdiplusProc("GdipFillRectangleI"));
    auto pixel = reinterpret_cast<PFN_GdipBitmapGetPixel>(GdiplusProc("GdipBitmapGetPixel"));
    auto deleteBrush = reinterpret_cast<PFN_GdipDeleteBrush>(GdiplusProc("GdipDeleteBrush"));
    auto deleteGraphics =
        reinterpret_cast<PFN_GdipDeleteGraphics>(GdiplusProc("GdipDeleteGraphics"));
    auto dispose = reinterpret_cast<PFN_GdipDisposeImage>(GdiplusProc("GdipDisposeImage"));
    GpBitmap* bitmap = nullptr;
    if (fromScan0(4, 4, 0, PixelFormat32bppARGB, nullptr, &bitmap) != Ok) return false;
    GpGraphics* graphics = nullptr;
    GpSolidFill* brush = nullptr;
    ARGB color = 0;
    const bool ok = context(bitmap, &graphics) == Ok && solid(0xFF00FF00, &brush) == Ok &&
                    fill(graphics, brush, 1, 1, 2, 2) == Ok &&
                    pixel(bitmap, 2, 2, &color) == Ok && color == 0xFF00FF00;
    if (brush) deleteBrush(brush);
    if (graphics) deleteGraphics(graphics);
    dispose(bitmap);
    return ok;
  }

 private:
  ULONG_PTR token_ = 0;
};

// Draws through the wrappers of the run-time binding.
bool WrappersDraw() {
  QImage image(6, 6, QImage::Format_ARGB32_Premultiplied);
  image.fill(0xFFFFFFFF);
  TGPBitmap bitmap(6, 6, int(image.bytesPerLine()), PixelFormat32bppPARGB, image.bits());
  TGPGraphics graphics(&bitmap);
  TGPSolidBrush red(0xFFFF0000u);
  TGPFont font(QStringLiteral("DejaVu Sans"), 4, FontStyleRegular, UnitPixel);
  return graphics.FillRectangle(&red, 1, 1, 2, 2) == Ok && font.IsAvailable() &&
         TGPFontFamily::GenericSansSerif()->IsAvailable() &&
         (graphics.Flush(), image.pixel(2, 2) == 0xFFFF0000u);
}

class GdipStartup : public ::testing::Test {
 public:
  void SetUp() override { baseline_ = GdiplusStartupCount(); }
  void TearDown() override {
    FinalizeKitGDIPlusClasses();
    other_.Stop();
    GdiPlusModuleIsLibrary = false;
    EXPECT_EQ(GdiplusStartupCount(), baseline_);
    // Nobody shuts the library down while the program runs.
    EXPECT_TRUE(GdiplusLibraryStarted());
  }
  int baseline_ = 0;
  OtherBinding other_;
};

TEST_F(GdipStartup, EitherBindingOutlivesTheOther) {
  struct Step {
    const char* what;
    std::function<void(GdipStartup*)> run;
  };
  const auto startOwn = [](GdipStartup*) { InitializeKitGDIPlusClasses(); };
  const auto stopOwn = [](GdipStartup*) { FinalizeKitGDIPlusClasses(); };
  const auto startOther = [](GdipStartup* t) { t->other_.Start(); };
  const auto stopOther = [](GdipStartup* t) { t->other_.Stop(); };
  // Every order of the four events in which each binding starts before it
  // stops; after each event every running binding must still draw.
  const std::vector<std::vector<int>> orders = {
      {0, 2, 1, 3}, {0, 2, 3, 1}, {2, 0, 1, 3}, {2, 0, 3, 1}, {0, 1, 2, 3}, {2, 3, 0, 1}};
  const Step steps[4] = {{"own start", startOwn},
                         {"own stop", stopOwn},
                         {"other start", startOther},
                         {"other stop", stopOther}};
  for (const std::vector<int>& order : orders) {
    std::string trace;
    bool own = false, other = false;
    for (int index : order) {
      trace += std::string(steps[index].what) + "; ";
      SCOPED_TRACE(trace);
      steps[index].run(this);
      own = index == 0 ? true : index == 1 ? false : own;
      other = index == 2 ? true : index == 3 ? false : other;
      EXPECT_EQ(GdiplusStartupCount(), baseline_ + int(own) + int(other));
      EXPECT_EQ(GdiPlusToken != 0, own);
      if (own) {
        EXPECT_TRUE(WrappersDraw());
      }
      if (other) {
        EXPECT_TRUE(other_.Draws());
      }
    }
  }
}

TEST_F(GdipStartup, StartingTwiceCountsOnce) {
  InitializeKitGDIPlusClasses();
  const ULONG_PTR token = GdiPlusToken;
  InitializeKitGDIPlusClasses();
  EXPECT_EQ(GdiPlusToken, token);
  EXPECT_EQ(GdiplusStartupCount(), baseline_ + 1);
  FinalizeKitGDIPlusClasses();
  FinalizeKitGDIPlusClasses();  // nothing left to release
  EXPECT_EQ(GdiplusStartupCount(), baseline_);
  EXPECT_EQ(GdiPlusLibraryHandle, nullptr);
}

TEST_F(GdipStartup, InsideASharedLibraryTheBindingDoesNotStartGdiPlus) {
  GdiPlusModuleIsLibrary = true;
  InitializeKitGDIPlusClasses();
  EXPECT_NE(GdiPlusLibraryHandle, nullptr);  // the table is loaded
  EXPECT_EQ(GdiPlusToken, 0u);
  EXPECT_EQ(GdiplusStartupCount(), baseline_);
  other_.Start();  // the program started GDI+: the wrappers work
  EXPECT_TRUE(WrappersDraw());
  FinalizeKitGDIPlusClasses();
  EXPECT_EQ(GdiplusStartupCount(), baseline_ + 1);
  EXPECT_TRUE(other_.Draws());
}

TEST_F(GdipStartup, SharedObjectsAreFreedAndMadeAgain) {
  InitializeKitGDIPlusClasses();
  TGPStringFormat* first = TGPStringFormat::GenericTypographic();
  ASSERT_EQ(first->GetLastStatus(), Ok);
  QString before;
  TGPFontFamily::GenericSerif()->GetFamilyName(before);
  FinalizeKitGDIPlusClasses();  // frees the shared objects
  InitializeKitGDIPlusClasses();
  TGPStringFormat* second = TGPStringFormat::GenericTypographic();
  EXPECT_EQ(second->GetLastStatus(), Ok);
  EXPECT_NE(second->GetFormatFlags() & StringFormatFlagsNoClip, 0);
  QString after;
  TGPFontFamily::GenericSerif()->GetFamilyName(after);
  EXPECT_EQ(before, after);
}

}  // namespace
