// The smooth progress bar: clamping, easing, glow and marquee advanced by the
// timers on the manual clock, repaints only when the picture changes, the
// colour table and tones, and the bar's picture in an offscreen window for
// each style.

#include "gdiplus/KitSmoothProgressBar.h"

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Streams.h"
#include "tests/gdiplus/GdipFixtures.h"
#include "tests/harness/Harness.h"

using namespace gdipfixtures;

namespace {

class BarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = CreateUnique<TForm>(nullptr);
    form_->SetBounds(0, 0, 340, 80);
    bar_ = Create<TKitSmoothProgressBar>(form_.get());
    bar_->SetParent(form_.get());
    bar_->SetBounds(20, 20, 300, 20);
    bar_->OnPositionChanged = [this](TObject*, double v) { changes_.push_back(v); };
  }
  void TearDown() override { form_.reset(); }
  // One animation tick through the timer.
  void Tick(int n = 1) { clock_.Advance(uint64_t(10 * n)); }
  vcltest::TManualClock clock_;
  std::unique_ptr<TForm> form_;
  TKitSmoothProgressBar* bar_ = nullptr;
  std::vector<double> changes_;
};

TEST_F(BarTest, NewBarValues) {
  EXPECT_EQ(bar_->Step(), 10);
  EXPECT_EQ(bar_->Maximum(), 100);
  EXPECT_TRUE(bar_->GlowAnimation());
  EXPECT_TRUE(bar_->ProgressAnimation());
  EXPECT_EQ(bar_->MarqueeSize(), 60);
  EXPECT_EQ(bar_->MarqueeColor(), TColor(0x00FF00));
  EXPECT_EQ(bar_->UIStyle(), tsCustom);
  EXPECT_EQ(bar_->GetVersion(), QStringLiteral("1.10.1.2"));
  EXPECT_TRUE(bar_->AnimationTimer()->Enabled());
  EXPECT_FALSE(bar_->MarqueeTimer()->Enabled());
  auto loose = CreateUnique<TKitSmoothProgressBar>(nullptr);
  EXPECT_EQ(loose->Width(), 150);
  EXPECT_EQ(loose->Height(), 17);
}

TEST_F(BarTest, TargetsAreClampedAndEasedAFifteenthPerTickEndingExactly) {
  bar_->SetPosition(150);
  EXPECT_EQ(bar_->NextPosition(), 100);
  bar_->SetProgressAnimation(false);  // finish at once
  EXPECT_EQ(bar_->Position(), 100);
  bar_->SetPosition(-5);
  EXPECT_EQ(bar_->NextPosition(), 0);
  EXPECT_EQ(bar_->Position(), 0);
  bar_->SetProgressAnimation(true);
  changes_.clear();

  bar_->SetPosition(100);
  EXPECT_EQ(bar_->Position(), 0);  // nothing shown before the first tick
  Tick();
  ASSERT_EQ(changes_.size(), 1u);
  EXPECT_NEAR(changes_[0], 100.0 / 15, 1e-9);
  Tick();
  EXPECT_NEAR(changes_[1], changes_[0] + (100 - changes_[0]) / 15, 1e-9);
  int ticks = 2;
  while (bar_->AnimationInProgress() || bar_->Position() != 100) {
    Tick();
    ASSERT_LT(++ticks, 1000);
  }
  for (size_t i = 1; i < changes_.size(); ++i) EXPECT_GE(changes_[i], changes_[i - 1]);
  EXPECT_EQ(changes_.back(), 100.0);
  const size_t count = changes_.size();
  Tick(5);
  EXPECT_EQ(changes_.size(), count) << "no reports once settled";
}

TEST_F(BarTest, NewTargetDuringAnEaseJumpsAndNextAddsToTheTarget) {
  bar_->SetPosition(80);
  Tick(3);
  ASSERT_TRUE(bar_->AnimationInProgress());
  bar_->SetPosition(30);
  EXPECT_EQ(bar_->Position(), 30);  // at once
  Tick();
  EXPECT_EQ(changes_.back(), 30);

  bar_->SetProgressAnimation(false);
  bar_->SetPosition(0);
  bar_->SetProgressAnimation(true);
  bar_->Next();
  bar_->Next();
  EXPECT_EQ(bar_->NextPosition(), 20);
  bar_->Previous(5);
  EXPECT_EQ(bar_->NextPosition(), 15);
  bar_->SetProgressAnimation(false);
  EXPECT_EQ(bar_->Position(), 15);
}

TEST_F(BarTest, LoweringTheMaximumEasesDown) {
  bar_->SetProgressAnimation(false);
  bar_->SetPosition(90);
  bar_->SetProgressAnimation(true);
  bar_->SetMaximum(50);
  EXPECT_EQ(bar_->NextPosition(), 50);
  EXPECT_EQ(bar_->Position(), 90);
  Tick();
  EXPECT_LT(bar_->Position(), 90);
  EXPECT_GT(bar_->Position(), 50);
  Tick(400);
  EXPECT_EQ(bar_->Position(), 50);
}

TEST_F(BarTest, GlowTravelsThenWaitsAndIdleBarsDoNotRepaint) {
  ASSERT_TRUE(vcltest::ShowAndActivate(form_.get()));
  bar_->SetProgressAnimation(false);
  bar_->SetPosition(50);
  vcltest::Pump();  // painted once: the progress rectangle is known
  vcltest::TInvalidationLog log;
  const int start = bar_->GlowPosition();
  Tick();
  EXPECT_EQ(bar_->GlowPosition(), start + 3);
  int passes = 0, repaintsWhileWaiting = 0;
  bool waiting = false;
  for (int i = 0; i < 400; ++i) {
    const int before = log.CountFor(bar_->Handle());
    const int glow = bar_->GlowPosition();
    Tick();
    if (bar_->GlowPosition() == -40 && glow != -40) {
      ++passes;
      waiting = true;
      continue;
    }
    if (waiting && bar_->GlowPosition() == -40) repaintsWhileWaiting += log.CountFor(bar_->Handle()) - before;
    if (bar_->GlowPosition() != -40) waiting = false;
  }
  EXPECT_GE(passes, 1);
  EXPECT_EQ(repaintsWhileWaiting, 0);
  // The band passes the end of the progress part (149.5 pixels) in 3-pixel
  // steps, then waits 150 ticks.
  EXPECT_EQ(bar_->GlowCount() % 10, 0);

  // No glow, settled: not one repaint in 100 ticks.
  bar_->SetGlowAnimation(false);
  log.Clear();
  Tick(100);
  EXPECT_EQ(log.CountFor(bar_->Handle()), 0);
}

TEST_F(BarTest, MarqueeSweepsAndRestartsBeforeTheStart) {
  bar_->SetStyle(pbstMarquee);
  EXPECT_FALSE(bar_->AnimationTimer()->Enabled());
  EXPECT_TRUE(bar_->MarqueeTimer()->Enabled());
  bar_->SetMarqueeSize(20);
  const int start = bar_->GlowPosition();
  Tick();
  EXPECT_EQ(bar_->GlowPosition(), start + 8);
  int restarts = 0;
  for (int i = 0; i < 100; ++i) {
    Tick();
    if (bar_->GlowPosition() == -40) ++restarts;
    EXPECT_LE(bar_->GlowPosition(), 300 + 40 + 8);
  }
  EXPECT_GE(restarts, 1);
  bar_->SetMarqueeInterval(50);
  EXPECT_EQ(bar_->MarqueeTimer()->Interval(), 50u);
  bar_->SetStyle(pbstNormal);
  EXPECT_TRUE(bar_->AnimationTimer()->Enabled());
}

TEST_F(BarTest, ColourTableAndTones) {
  TGDIPProgress* a = bar_->Appearance();
  bar_->SetComponentStyle(tsOffice2019Black);
  EXPECT_EQ(bar_->UIStyle(), tsOffice2019Black);
  EXPECT_FALSE(a->Overlays());
  EXPECT_FALSE(a->Shadows());
  EXPECT_EQ(a->Font()->Color(), TColor(0xFFFFFF));
  EXPECT_EQ(a->BackGroundFill()->Color(), TColor(0x303132));
  EXPECT_EQ(a->ProgressFill()->BorderColor(), TColor(0x828282));
  EXPECT_EQ(a->ProgressFill()->GradientMirrorType(), KitGDIP::gtNone);

  bar_->SetComponentStyle(tsOffice2007Luna);
  EXPECT_TRUE(a->Overlays());
  EXPECT_TRUE(a->Shadows());
  EXPECT_EQ(a->Font()->Color(), clWindowText);
  EXPECT_EQ(a->ProgressFill()->ColorMirrorTo(), TColor(0xFFDBC0));
  EXPECT_EQ(a->ProgressFill()->GradientMirrorType(), KitGDIP::gtVertical);

  a->ProgressFill()->SetGradientMirrorType(KitGDIP::gtHatch);
  bar_->SetComponentStyle(tsTerminal);
  EXPECT_EQ(a->ProgressFill()->GradientMirrorType(), KitGDIP::gtHatch) << "Terminal keeps the mirror type";
  EXPECT_EQ(a->BackGroundFill()->Color(), clBtnFace);

  const TColor bg = a->BackGroundFill()->Color();
  bar_->SetComponentStyle(tsCustom);
  EXPECT_EQ(bar_->UIStyle(), tsCustom);
  EXPECT_EQ(a->BackGroundFill()->Color(), bg);

  TColorTones tones = DefaultColorTones();
  tones.Foreground = {0x111111, 0x222222, 0x333333};
  tones.Selected = {0x444444, 0x555555, 0x666666};
  bar_->SetColorTones(tones);
  EXPECT_FALSE(bar_->GlowAnimation());
  EXPECT_EQ(a->BackGroundFill()->ColorMirrorTo(), TColor(0x111111));
  EXPECT_EQ(a->BackGroundFill()->BorderColor(), TColor(0x222222));
  EXPECT_EQ(a->ProgressFill()->ColorTo(), TColor(0x444444));
  EXPECT_EQ(a->ProgressFill()->BorderColor(), TColor(0x555555));
  EXPECT_EQ(a->Font()->Color(), TColor(0x666666));
}

TEST_F(BarTest, StreamsWithTheOldStyleProperty) {
  bar_->SetName(QStringLiteral("Bar"));
  bar_->SetMarqueeSize(33);
  TMemoryStream stream;
  stream.WriteComponent(bar_);
  stream.SetPosition(0);
  auto copy = CreateUnique<TKitSmoothProgressBar>(nullptr);
  stream.ReadComponent(copy.get());
  EXPECT_EQ(copy->MarqueeSize(), 33);
  EXPECT_EQ(copy->UIStyle(), tsCustom);
}

// The bar's picture in the window for each style: the progress part in the
// progress colour, the rest in the background colour.
TEST_F(BarTest, PictureInAnOffscreenWindowForEachStyle) {
  ASSERT_TRUE(vcltest::ShowAndActivate(form_.get()));
  bar_->SetProgressAnimation(false);
  bar_->SetPosition(50);
  struct Case {
    TVDXStyle style;
    TColor progress, background;
    bool flat;
  } cases[] = {
      {tsWindows10, 0xF7E0C9, 0xF7F6F5, true},         {tsOffice2013White, 0xFCE2C8, 0xFFFFFF, true},
      {tsOffice2013Gray, 0xFCE2C8, 0xE5E5E5, true},    {tsOffice2016White, 0xE3BDA3, 0xFFFFFF, true},
      {tsOffice2016Black, 0x6A6A6A, 0x363636, true},   {tsOffice2019White, 0xE3BDA3, 0xFFFFFF, true},
      {tsOffice2019Gray, 0x666666, 0xB8BBBE, true},    {tsOffice2019Black, 0x828282, 0x303132, true},
      {tsOffice2003Blue, 0xFCE1CB, 0xFFD2AF, false},   {tsOffice2007Obsidian, 0xF9F8F8, 0x5C534C, false},
      {tsWindowsXP, 0xFFFFFF, 0xB6B6B6, false},
  };
  auto rgb = [](TColor c) { return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); };
  for (const Case& c : cases) {
    bar_->SetComponentStyle(c.style);
    const QImage img = vcltest::Grab(bar_);
    ASSERT_FALSE(img.isNull());
    // Away from the edges, the shadows and the gloss.
    const QColor progress = ColorAt(img, 75, 10), background = ColorAt(img, 225, 10);
    const int tolerance = c.flat ? 6 : 48;
    EXPECT_TRUE(Near(background, QColor(rgb(c.background)), tolerance))
        << int(c.style) << " background " << background.name().toStdString();
    if (c.flat)
      EXPECT_TRUE(Near(progress, QColor(rgb(c.progress)), tolerance))
          << int(c.style) << " progress " << progress.name().toStdString();
    else
      EXPECT_FALSE(Near(progress, background, 6)) << int(c.style);
    if (c.style == tsOffice2019Black)
      img.save(PictureFolder() + QStringLiteral("/smooth-bar-2019black.png"));
    if (c.style == tsOffice2003Blue) img.save(PictureFolder() + QStringLiteral("/smooth-bar-2003blue.png"));
  }
  // The glow band shows as a lighter patch on the progress part.
  bar_->SetComponentStyle(tsOffice2019Black);
  bar_->SetGlowAnimation(true);
  while (bar_->GlowPosition() < 60) Tick();
  const QImage glow = vcltest::Grab(bar_);
  EXPECT_GT(ColorAt(glow, bar_->GlowPosition() - 2, 10).red(), ColorAt(glow, 140, 10).red());
  glow.save(PictureFolder() + QStringLiteral("/smooth-bar-glow.png"));
}

TEST_F(BarTest, TransparentBarShowsTheParentThroughTheUnfilledPart) {
  form_->SetColor(0x00FFFF);  // yellow
  ASSERT_TRUE(vcltest::ShowAndActivate(form_.get()));
  bar_->SetProgressAnimation(false);
  bar_->SetComponentStyle(tsOffice2019Black);
  bar_->Appearance()->SetTransparent(true);
  bar_->SetPosition(40);
  vcltest::Pump();
  const QImage window = form_->Widget()->grab().toImage();
  EXPECT_TRUE(Near(ColorAt(window, 20 + 250, 30), QColor(255, 255, 0), 10)) << "parent shows";
  EXPECT_TRUE(Near(ColorAt(window, 20 + 40, 30), QColor(0x82, 0x82, 0x82), 10)) << "progress painted";
  window.save(PictureFolder() + QStringLiteral("/smooth-bar-transparent.png"));
}

}  // namespace
