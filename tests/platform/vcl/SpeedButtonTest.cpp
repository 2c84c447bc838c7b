// Speed buttons: pressing and releasing, groups, the glyph, and the timer
// speed button's repeat on the manual clock.

#include "platform/vcl/Buttons.h"

#include "platform/vcl/Themes.h"
#include "tests/platform/vcl/StdCtrlsTestSupport.h"
#include "tests/platform/vcl/VclTestSupport.h"

using namespace vcltest;

namespace {

class SpeedButtonTest : public StdFormTest {
 protected:
  template <class T = TSpeedButton>
  T* MakeButton(int Left, const QString& Name) {
    T* b = Create<T>(Form.get());
    b->SetName(Name);
    b->SetBounds(Left, 20, 40, 30);
    b->SetParent(Form.get());
    b->OnClick = [this, Name](TObject*) { Clicks << Name; };
    return b;
  }
  QStringList Clicks;
};

TEST_F(SpeedButtonTest, TheReleaseOverTheButtonClicksItOnce) {
  TSpeedButton* b = MakeButton(20, QStringLiteral("b"));
  Pump();
  struct TCase {
    const char* Name;
    TPoint ReleaseAt;
    QStringList Clicks;
  };
  const TCase cases[] = {
      {"released on it", TPoint(10, 10), {"b"}},
      {"released beside it", TPoint(60, 10), {}},
      {"released above it", TPoint(10, -5), {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Clicks.clear();
    MouseDown(b, 10, 10);
    EXPECT_EQ(b->State(), bsDown);
    EXPECT_TRUE(b->MouseCapture());
    MouseMove(b, c.ReleaseAt.X, c.ReleaseAt.Y);
    MouseUp(b, c.ReleaseAt.X, c.ReleaseAt.Y);
    EXPECT_EQ(Clicks, c.Clicks);
    EXPECT_EQ(b->State(), bsUp);
    EXPECT_FALSE(b->MouseCapture());
  }
  // Off the button while held: up; back on it: down again.
  MouseDown(b, 10, 10);
  MouseMove(b, 80, 10);
  EXPECT_EQ(b->State(), bsUp);
  MouseMove(b, 12, 12);
  EXPECT_EQ(b->State(), bsDown);
  MouseUp(b, 12, 12);
  // The right button and a disabled button press nothing.
  Clicks.clear();
  Click(b, 10, 10, mbRight);
  b->SetEnabled(false);
  Click(b, 10, 10);
  EXPECT_TRUE(Clicks.isEmpty());
}

TEST_F(SpeedButtonTest, GroupedButtonsKeepOneDown) {
  TSpeedButton* a = MakeButton(20, QStringLiteral("a"));
  TSpeedButton* b = MakeButton(70, QStringLiteral("b"));
  TSpeedButton* other = MakeButton(120, QStringLiteral("other"));
  Pump();
  // A plain button never stays down.
  a->SetDown(true);
  EXPECT_FALSE(a->Down());
  for (TSpeedButton* x : {a, b}) x->SetGroupIndex(1);
  other->SetGroupIndex(2);
  other->SetDown(true);

  struct TStep {
    const char* Name;
    std::function<void()> Do;
    bool ADown, BDown;
    QStringList Clicks;
  };
  const TStep steps[] = {
      {"a clicked", [&] { Click(a, 5, 5); }, true, false, {"a"}},
      {"b clicked releases a", [&] { Click(b, 5, 5); }, false, true, {"b"}},
      {"b clicked again stays down", [&] { Click(b, 5, 5); }, false, true, {"b"}},
      {"Down set on a, no click", [&] { a->SetDown(true); }, true, false, {}},
      {"AllowAllUp: a clicked goes up",
       [&] {
         a->SetAllowAllUp(true);
         Click(a, 5, 5);
       },
       false,
       false,
       {"a"}},
  };
  for (const TStep& s : steps) {
    SCOPED_TRACE(s.Name);
    Clicks.clear();
    s.Do();
    EXPECT_EQ(a->Down(), s.ADown);
    EXPECT_EQ(b->Down(), s.BDown);
    EXPECT_EQ(Clicks, s.Clicks);
  }
  // AllowAllUp went to the whole group; the other group is untouched.
  EXPECT_TRUE(b->AllowAllUp());
  EXPECT_TRUE(other->Down());
}

TEST_F(SpeedButtonTest, TheGlyphIsDrawnWithoutItsTransparentColour) {
  TSpeedButton* b = MakeButton(20, QStringLiteral("b"));
  // Two images of 8 x 8: red on magenta (up), blue on magenta (disabled).
  TBitmap glyph(16, 8);
  glyph.Canvas()->Brush()->SetColor(clFuchsia);
  glyph.Canvas()->FillRect(TRect(0, 0, 16, 8));
  glyph.Canvas()->Brush()->SetColor(clRed);
  glyph.Canvas()->FillRect(TRect(2, 2, 6, 6));
  glyph.Canvas()->Brush()->SetColor(clBlue);
  glyph.Canvas()->FillRect(TRect(10, 2, 14, 6));
  b->SetGlyph(&glyph);
  b->SetNumGlyphs(2);
  Pump();
  QImage shown = Grab(b);
  EXPECT_EQ(Count(shown, clFuchsia), 0);
  EXPECT_EQ(Count(shown, clRed), 16);
  EXPECT_EQ(Count(shown, clBlue), 0);
  // Centred (no caption): the glyph at (16, 11), its red square at (18, 13)
  // to (21, 16); pressed, one pixel right and down.
  EXPECT_EQ(Px(shown, 18, 13), clRed);
  EXPECT_NE(Px(shown, 22, 17), clRed);
  MouseDown(b, 5, 5);
  shown = Grab(b);
  EXPECT_NE(Px(shown, 18, 13), clRed);
  EXPECT_EQ(Px(shown, 22, 17), clRed);
  MouseUp(b, 5, 5);
  // Disabled: the second image.
  b->SetEnabled(false);
  Pump();
  shown = Grab(b);
  EXPECT_EQ(Count(shown, clRed), 0);
  EXPECT_EQ(Count(shown, clBlue), 16);
}

TEST_F(SpeedButtonTest, AFlatButtonShowsItsFrameOnlyUnderTheMouseOrPressed) {
  TSpeedButton* b = MakeButton(20, QStringLiteral("b"));
  b->SetFlat(true);
  Pump();
  const TColor face = StyleServices().GetSystemColor(clBtnFace);
  EXPECT_TRUE(Ink(Grab(b), face).isEmpty()) << "a flat button at rest is only its face";
  // (Somewhere the previous test's mouse did not end: a move to where the
  // mouse already is moves nothing.)
  MouseMove(b, 7, 9);
  EXPECT_TRUE(b->MouseInControl());
  EXPECT_FALSE(Ink(Grab(b), face).isEmpty());
  MouseMove(b, 200, 200);
  EXPECT_FALSE(b->MouseInControl());
  EXPECT_TRUE(Ink(Grab(b), face).isEmpty());
}

// --- the timer speed button --------------------------------------------------------

TEST_F(SpeedButtonTest, HoldingRepeatsAfter400MsThenEvery100Ms) {
  TManualClock clock;
  auto* b = MakeButton<TTimerSpeedButton>(20, QStringLiteral("t"));
  Pump();
  MouseDown(b, 10, 10);
  struct TStep {
    const char* Name;
    std::function<void()> Do;
    int Clicks;  // clicks so far
  };
  const TStep steps[] = {
      {"399 ms", [&] { clock.Advance(399); }, 0},
      {"400 ms", [&] { clock.Advance(1); }, 1},
      {"499 ms", [&] { clock.Advance(99); }, 1},
      {"500 ms", [&] { clock.Advance(1); }, 2},
      {"750 ms", [&] { clock.Advance(250); }, 4},
      {"off the button for 300 ms",
       [&] {
         MouseMove(b, 90, 10);
         clock.Advance(300);
       },
       4},
      {"back on it for 200 ms",
       [&] {
         MouseMove(b, 10, 10);
         clock.Advance(200);
       },
       6},
      {"released", [&] { MouseUp(b, 10, 10); }, 7},
      {"a second later", [&] { clock.Advance(1000); }, 7},
  };
  for (const TStep& s : steps) {
    SCOPED_TRACE(s.Name);
    s.Do();
    EXPECT_EQ(Clicks.size(), s.Clicks);
  }
  ASSERT_NE(b->RepeatTimer(), nullptr);
  EXPECT_FALSE(b->RepeatTimer()->Enabled());

  // Without tbAllowTimer a press clicks once, on the release.
  Clicks.clear();
  b->SetTimeBtnState(TTimeBtnState());
  MouseDown(b, 10, 10);
  clock.Advance(1000);
  MouseUp(b, 10, 10);
  EXPECT_EQ(Clicks.size(), 1);
}

TEST_F(SpeedButtonTest, TheRepeatNeedsTheCapture) {
  TManualClock clock;
  auto* b = MakeButton<TTimerSpeedButton>(20, QStringLiteral("t"));
  Pump();
  MouseDown(b, 10, 10);
  clock.Advance(400);
  EXPECT_EQ(Clicks.size(), 1);
  // Something else takes the mouse: the button stops repeating.
  SetCaptureControl(nullptr);
  clock.Advance(500);
  EXPECT_EQ(Clicks.size(), 1);
  MouseUp(b, 10, 10);
}

TEST_F(SpeedButtonTest, AnExceptionFromARepeatedClickStopsTheTimerAndReachesTheApplication) {
  TManualClock clock;
  auto* b = MakeButton<TTimerSpeedButton>(20, QStringLiteral("t"));
  QStringList seen;
  Application->OnException = [&](TObject*, const Exception& E) { seen << E.Message(); };
  b->OnClick = [](TObject*) { throw EConvertError(QStringLiteral("no more")); };
  Pump();
  MouseDown(b, 10, 10);
  clock.Advance(400);
  EXPECT_EQ(seen, QStringList{QStringLiteral("no more")});
  EXPECT_FALSE(b->RepeatTimer()->Enabled());
  clock.Advance(1000);
  EXPECT_EQ(seen.size(), 1);
  Application->OnException = nullptr;
  b->OnClick = nullptr;
  MouseUp(b, 10, 10);
}

TEST_F(SpeedButtonTest, AFocusRectangleWithTbFocusRect) {
  auto* b = MakeButton<TTimerSpeedButton>(20, QStringLiteral("t"));
  b->SetFlat(true);
  Pump();
  const TColor face = StyleServices().GetSystemColor(clBtnFace);
  EXPECT_TRUE(Ink(Grab(b), face).isEmpty());
  b->SetTimeBtnState(TTimeBtnState{tbFocusRect, tbAllowTimer});
  Pump();
  // The dotted rectangle runs 3 pixels inside the edges.
  EXPECT_EQ(Ink(Grab(b), face), QRect(3, 3, 34, 24));
}

}  // namespace
