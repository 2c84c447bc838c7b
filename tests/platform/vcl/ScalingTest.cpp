// Scaling controls and forms to another resolution: bounds, fonts and the
// current resolution of a control tree, anchors and alignment afterwards,
// forms following the monitor they are on.

#include <gtest/gtest.h>

#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "tests/support/TestSupport.h"

namespace {

class TPlainControl : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
};

class TPlainGraphic : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
};

// Puts every monitor back to the resolution the screen reports.
class ScalingTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (int i = 0; i < Screen->MonitorCount(); ++i) Screen->SetMonitorPixelsPerInch(i, 0);
  }
};

template <class T>
T* Place(TWinControl* AParent, int ALeft, int ATop, int AWidth, int AHeight) {
  auto* c = new T(AParent);
  c->SetParent(AParent);
  c->SetBounds(ALeft, ATop, AWidth, AHeight);
  return c;
}

TEST_F(ScalingTest, ScaleForPPIScalesBoundsAndFontsOfTheWholeTree) {
  TPlainControl root(nullptr);
  root.SetBounds(8, 6, 200, 100);
  auto* left = Place<TPlainControl>(&root, 0, 0, 33, 35);
  auto* right = Place<TPlainControl>(&root, 33, 0, 33, 35);
  auto* inner = Place<TPlainGraphic>(left, 3, 5, 11, 7);
  right->Font()->SetHeight(-11);
  inner->Font()->SetHeight(-13);

  root.ScaleForPPI(144);

  const struct {
    TControl* Control;
    TRect Bounds;
  } cases[] = {
      {&root, TRect(12, 9, 12 + 300, 9 + 150)},
      // Edges scale, halves away from zero: 33 * 1.5 = 49.5 -> 50, 35 -> 53.
      {left, TRect(0, 0, 50, 53)},
      {right, TRect(50, 0, 99, 53)},
      {inner, TRect(5, 8, 21, 18)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.Control->BoundsRect(), c.Bounds) << c.Control->ClassName().toStdString();
    EXPECT_EQ(c.Control->CurrentPPI(), 144);
  }
  // Controls side by side stay side by side.
  EXPECT_EQ(left->BoundsRect().Right, right->Left());
  EXPECT_EQ(right->Font()->Height(), -17);
  EXPECT_EQ(inner->Font()->Height(), -20);
  EXPECT_EQ(root.Font()->Height(), MulDiv(TFont().Height(), 3, 2));
  // The point size follows the height, since the font's own resolution
  // does not change.
  EXPECT_GT(right->Font()->Size(), 8);

  // And back again: even values come back unchanged.
  root.ScaleForPPI(96);
  EXPECT_EQ(root.BoundsRect(), TRect(8, 6, 208, 106));
  EXPECT_EQ(right->Font()->Height(), -11);
  EXPECT_EQ(inner->CurrentPPI(), 96);
}

TEST_F(ScalingTest, TheSameOrANonPositiveResolutionChangesNothing) {
  TPlainControl root(nullptr);
  root.SetBounds(10, 10, 50, 40);
  auto* child = Place<TPlainControl>(&root, 5, 5, 20, 20);
  for (int ppi : {96, 0, -120}) {
    root.ScaleForPPI(ppi);
    EXPECT_EQ(root.BoundsRect(), TRect(10, 10, 60, 50)) << ppi;
    EXPECT_EQ(child->BoundsRect(), TRect(5, 5, 25, 25)) << ppi;
    EXPECT_EQ(root.CurrentPPI(), 96) << ppi;
  }
}

TEST_F(ScalingTest, AnchoredAndAlignedChildrenFollowTheScaledParent) {
  TPlainControl root(nullptr);
  root.SetBounds(0, 0, 200, 100);
  auto* anchored = Place<TPlainControl>(&root, 150, 10, 40, 20);
  anchored->SetAnchors(TAnchors{akTop, akRight});
  auto* stretched = Place<TPlainControl>(&root, 10, 40, 180, 20);
  stretched->SetAnchors(TAnchors{akLeft, akTop, akRight});
  auto* bottom = Place<TPlainControl>(&root, 0, 0, 10, 20);
  bottom->SetAlign(alBottom);

  root.ScaleForPPI(144);

  // Scaled once, not moved again by the anchors: the gaps to the right edge
  // grow with everything else.
  EXPECT_EQ(anchored->BoundsRect(), TRect(225, 15, 285, 45));
  EXPECT_EQ(stretched->BoundsRect(), TRect(15, 60, 285, 90));
  EXPECT_EQ(bottom->BoundsRect(), TRect(0, 120, 300, 150));

  // Anchoring goes on from the scaled layout.
  root.SetWidth(320);
  EXPECT_EQ(anchored->Left(), 245);
  EXPECT_EQ(stretched->Width(), 290);
}

TEST_F(ScalingTest, AFormKeepsItsPlaceAndScalesItsSizeAndControls) {
  TForm form(nullptr);
  form.SetBounds(40, 50, 200, 100);
  auto* edit = Place<TPlainControl>(&form, 10, 10, 80, 21);
  form.ScaleForPPI(192);
  EXPECT_EQ(form.BoundsRect(), TRect(40, 50, 440, 250));
  EXPECT_EQ(edit->BoundsRect(), TRect(20, 20, 180, 62));
  EXPECT_EQ(form.CurrentPPI(), 192);

  // A form inside another control is laid out like any control.
  TForm host(nullptr);
  host.SetBounds(0, 0, 300, 300);
  TForm embedded(nullptr);
  embedded.SetParent(&host);
  embedded.SetBounds(10, 20, 100, 50);
  host.ScaleForPPI(144);
  EXPECT_EQ(embedded.BoundsRect(), TRect(15, 30, 165, 105));
}

TEST_F(ScalingTest, FormsFollowTheResolutionOfTheirMonitor) {
  TForm form(nullptr);
  form.SetBounds(10, 10, 200, 100);
  auto* child = Place<TPlainControl>(&form, 10, 10, 20, 20);
  const int screenPPI = form.Monitor().PixelsPerInch();
  EXPECT_EQ(screenPPI, Screen->Monitors(0).PixelsPerInch());

  const struct {
    int PPI;
    int Width;
    int ChildLeft;
  } cases[] = {{144, 300, 15}, {120, 250, 13}, {96, 200, 10}};
  for (const auto& c : cases) {
    Screen->SetMonitorPixelsPerInch(0, c.PPI);
    EXPECT_EQ(form.Monitor().PixelsPerInch(), c.PPI);
    form.ScaleForCurrentDpi();
    EXPECT_EQ(form.CurrentPPI(), c.PPI);
    EXPECT_EQ(form.Width(), c.Width) << c.PPI;
    EXPECT_EQ(child->Left(), c.ChildLeft) << c.PPI;
    // Asking again at the same resolution changes nothing.
    form.ScaleForCurrentDpi();
    EXPECT_EQ(form.Width(), c.Width) << c.PPI;
  }

  Screen->SetMonitorPixelsPerInch(0, 0);
  EXPECT_EQ(Screen->Monitors(0).PixelsPerInch(), screenPPI);
  EXPECT_THROW(Screen->SetMonitorPixelsPerInch(Screen->MonitorCount(), 120), EListError);
  EXPECT_THROW(Screen->SetMonitorPixelsPerInch(-1, 120), EListError);
}

TEST_F(ScalingTest, UnscaledAndEmbeddedFormsStayAsTheyAre) {
  Screen->SetMonitorPixelsPerInch(0, 144);
  TForm unscaled(nullptr);
  unscaled.SetBounds(10, 10, 200, 100);
  unscaled.SetScaled(false);
  unscaled.ScaleForCurrentDpi();
  EXPECT_EQ(unscaled.Width(), 200);
  EXPECT_EQ(unscaled.CurrentPPI(), 96);

  TForm host(nullptr);
  host.SetBounds(10, 10, 300, 300);
  TForm embedded(nullptr);
  embedded.SetParent(&host);
  embedded.SetBounds(0, 0, 100, 100);
  embedded.ScaleForCurrentDpi();
  EXPECT_EQ(embedded.Width(), 100);
}

TEST_F(ScalingTest, AFontChangeReachesTheControl) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  auto* label = new TLabel(&form);
  label->SetParent(&form);
  label->SetCaption("Leads");
  const int height = label->Height();
  label->Font()->SetHeight(-30);
  EXPECT_GT(label->Height(), height);  // AutoSize measured again

  // Scaling a label's font resizes it the same way.
  const int scaledFrom = label->Height();
  form.ScaleForPPI(192);
  EXPECT_EQ(label->Font()->Height(), -60);
  EXPECT_GT(label->Height(), scaledFrom);
}

}  // namespace
