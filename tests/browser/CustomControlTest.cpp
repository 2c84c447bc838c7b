// The custom control base: scaling, alignment, style adaptation, dialog
// codes and hit testing, focus, the routing of input into the hooks.

#include <gtest/gtest.h>

#include "browser/KitCustomControl.h"
#include "foundation/KitGraphicsTypes.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Themes.h"
#include "tests/harness/Harness.h"

namespace {

class TProbeControl : public TKitCustomControl {
 public:
  using TKitCustomControl::TKitCustomControl;
  void SetFactors(Single AFactor) {
    FPaintScaleFactor = AFactor;
    FResourceScaleFactor = AFactor;
  }
  QStringList Log;
  bool SwallowTab = false;

 protected:
  void ApplyStyle() override { Log << "ApplyStyle"; }
  void ResetToDefaultStyle() override { Log << "ResetToDefaultStyle"; }
  void FreeControlBitmaps() override { Log << "FreeControlBitmaps"; }
  void HandleMouseDown(TMouseButton, TShiftState, Single X, Single Y) override {
    Log << QStringLiteral("down %1,%2").arg(X).arg(Y);
  }
  void HandleMouseUp(TMouseButton, TShiftState, Single X, Single Y) override {
    Log << QStringLiteral("up %1,%2").arg(X).arg(Y);
  }
  void HandleKeyDownFirst(Word& Key, TShiftState) override { Log << QStringLiteral("first %1").arg(Key); }
  void HandleKeyDown(Word& Key, TShiftState) override {
    Log << QStringLiteral("key %1").arg(Key);
    if (SwallowTab && Key == VK_TAB) Key = 0;
  }
  void HandleMouseEnter() override { Log << "enter"; }
  void UpdateDPIScale(int M, int D) override { Log << QStringLiteral("dpi %1/%2").arg(M).arg(D); }
  void HandleMouseLeave() override { Log << "leave"; }
};

}  // namespace

TEST(KitCustomControl, ScalesWithTheFactorRoundedToHundredths) {
  auto control = CreateUnique<TProbeControl>(nullptr);
  const struct {
    Single Factor;
    int Value;
    int Scaled;
  } cases[] = {{1.0f, 5, 5}, {1.5f, 5, 8}, {1.25f, 5, 6}, {1.5f, -5, -8}, {1.333f, 3, 4}, {2.0f, 0, 0}};
  for (const auto& c : cases) {
    control->SetFactors(c.Factor);
    EXPECT_EQ(control->ScalePaintValue(c.Value), c.Scaled) << c.Factor << " " << c.Value;
    EXPECT_EQ(control->ScaleResourceValue(c.Value), c.Scaled) << c.Factor << " " << c.Value;
  }
  control->SetFactors(1.5f);
  EXPECT_DOUBLE_EQ(control->ScalePaintValue(5.0), 7.5);
}

TEST(KitCustomControl, ScalingFollowsTheMonitorOfItsForm) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  auto* control = Create<TProbeControl>(&form);
  control->SetParent(&form);
  control->SetBounds(10, 10, 100, 50);
  Screen->SetMonitorPixelsPerInch(0, 144);
  form.ScaleForCurrentDpi();
  Screen->SetMonitorPixelsPerInch(0, 0);
  EXPECT_FLOAT_EQ(control->ResourceScaleFactor(), 1.5f);
  EXPECT_FLOAT_EQ(control->PaintScaleFactor(), 1.5f);
  EXPECT_EQ(control->Log, QStringList({"dpi 144/96"}));
  EXPECT_EQ(control->BoundsRect(), TRect(15, 15, 165, 90));
}

TEST(KitCustomControl, ReadsTheMousePositionInClientCoordinates) {
  TForm form(nullptr);
  form.SetBounds(30, 40, 300, 200);
  auto* control = Create<TProbeControl>(&form);
  control->SetParent(&form);
  control->SetBounds(10, 20, 100, 50);
  const TPoint saved = Mouse->CursorPos();
  Mouse->SetCursorPos(control->ClientToScreen(TPoint(7, 4)));
  EXPECT_EQ(control->GetMousePosition(), TPointF(7, 4));
  Mouse->SetCursorPos(saved);
}

TEST(KitCustomControl, StartsWithItsDefaults) {
  auto control = CreateUnique<TProbeControl>(nullptr);
  EXPECT_EQ(control->Color(), TColor(0xFFFFFF));
  EXPECT_FALSE(control->ParentColor());
  EXPECT_TRUE(control->TabStop());
  EXPECT_TRUE(control->AllowFocus());
  EXPECT_TRUE(control->ShowAcceleratorChar());
  EXPECT_TRUE(control->HitTest());
  EXPECT_TRUE(control->Stored());
  EXPECT_FALSE(control->AdaptToStyle());
  EXPECT_TRUE(control->ControlStyle().Contains(csAcceptsControls));
  EXPECT_EQ(control->GetVersion(), QString());
  EXPECT_FALSE(control->GetDocURL().isEmpty());
  EXPECT_EQ(control->LocalRect(), TRectF(0, 0, float(control->Width()), float(control->Height())));
  EXPECT_FALSE(control->IsDesignTime());
  EXPECT_FALSE(control->IsDesignerForm());
  EXPECT_FALSE(control->IsLoading());
  // The default colours of the parts, without a visual style.
  const TKitDefaultGraphicColors& colors = KitDefaultGraphicColors();
  EXPECT_EQ(colors, TKitDefaultGraphicColors());
  EXPECT_EQ(colors.SelectionFill, MakeRgb(229, 241, 251));
  EXPECT_EQ(colors.SelectionLine, MakeRgb(60, 127, 177));
}

TEST(KitCustomControl, MapsItsAlignment) {
  auto control = CreateUnique<TProbeControl>(nullptr);
  using A = TKitControlAlignment;
  const struct {
    A Value;
    TAlign Align;
  } cases[] = {{A::caTop, alTop}, {A::caClient, alClient}, {A::caNone, alNone}, {A::caRight, alRight}};
  for (const auto& c : cases) {
    control->SetControlAlignment(c.Value);
    EXPECT_EQ(control->Align(), c.Align);
    EXPECT_EQ(control->ControlAlignment(), c.Value);
  }
  control->SetAlign(alCustom);
  EXPECT_EQ(control->ControlAlignment(), A::caNone);
  control->SetControlAlignment(A(42));
  EXPECT_EQ(control->Align(), alCustom) << "unknown values are ignored";

  Single l = -1, t = -1, r = -1, b = -1;
  control->GetControlMargins(l, t, r, b);
  EXPECT_EQ(l, -1.0f) << "without align-with-margins the variables stay";
  control->SetControlMargins(1.5f, 2.5f, 3.4f, 4.6f);
  control->GetControlMargins(l, t, r, b);
  EXPECT_EQ(TRectF(l, t, r, b), TRectF(2, 2, 3, 5));
}

TEST(KitCustomControl, AdaptsToTheStyleAndRestoresTheDefaultsOnce) {
  auto control = CreateUnique<TProbeControl>(nullptr);
  control->SetAdaptToStyle(true);
  EXPECT_TRUE(control->AdaptedToStyle());
  control->SetAdaptToStyle(false);
  EXPECT_FALSE(control->AdaptedToStyle());
  control->SetAdaptToStyle(false);
  EXPECT_EQ(control->Log, QStringList({"FreeControlBitmaps", "ApplyStyle", "FreeControlBitmaps", "ResetToDefaultStyle",
                                      "FreeControlBitmaps"}));
  // A change of the active style runs the same update.
  control->Log.clear();
  control->Perform(CM_STYLECHANGED, 0, 0);
  EXPECT_EQ(control->Log, QStringList({"FreeControlBitmaps"}));
}

TEST(KitCustomControl, MixesTheSelectionColoursFromTheActiveStyle) {
  TStyleManager::SetStyle(QStringLiteral("Amethyst Kamri"));
  auto control = CreateUnique<TProbeControl>(nullptr);
  const TKitDefaultGraphicColors colors = KitDefaultGraphicColors();
  TStyleManager::SetStyle(QStringLiteral("Windows"));
  control->Perform(CM_STYLECHANGED, 0, 0);
  ASSERT_NE(colors.Selection, 0);
  EXPECT_EQ(colors.SelectionFill, BlendColor(colors.Selection, colors.DefaultButtonFill, 25));
  EXPECT_EQ(colors.SelectionLine, BlendColor(colors.Selection, colors.LineFill, 30));
  EXPECT_NE(colors.SelectionFill, colors.Selection);
  // Back on the plain style the fixed colours return.
  EXPECT_EQ(KitDefaultGraphicColors().SelectionFill, MakeRgb(229, 241, 251));
}

TEST(KitCustomControl, AnswersDialogCodesHitTestsAndFocus) {
  TForm form(nullptr);
  auto* control = Create<TProbeControl>(&form);
  control->SetParent(&form);
  EXPECT_EQ(control->Perform(WM_GETDLGCODE, 0, 0), 5);
  control->SetTabStop(false);
  EXPECT_EQ(control->Perform(WM_GETDLGCODE, 0, 0), 7);
  EXPECT_NE(control->Perform(WM_NCHITTEST, 0, 0), HTTRANSPARENT);
  control->SetHitTest(false);
  EXPECT_EQ(control->Perform(WM_NCHITTEST, 0, 0), HTTRANSPARENT);
  ASSERT_TRUE(vcltest::ShowAndActivate(&form));
  EXPECT_TRUE(control->CanFocus());
  control->SetAllowFocus(false);
  EXPECT_FALSE(control->CanFocus());
}

TEST(KitCustomControl, RoutesInputIntoItsHooks) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  auto* control = Create<TProbeControl>(&form);
  control->SetBounds(10, 10, 100, 50);
  control->SetParent(&form);
  control->SetTabStop(false);  // Tab comes to the control itself
  auto* next = Create<TProbeControl>(&form);
  next->SetBounds(10, 100, 100, 50);
  next->SetParent(&form);
  int internal = 0;
  control->FOnInternalMouseDown = [&](TObject* Sender) {
    EXPECT_EQ(Sender, control);
    ++internal;
  };
  ASSERT_TRUE(vcltest::ShowAndActivate(&form));
  vcltest::Click(control, 7, 9);
  EXPECT_EQ(internal, 1);
  EXPECT_TRUE(control->Log.contains(QStringLiteral("down 7,9")));
  EXPECT_TRUE(control->Log.contains(QStringLiteral("up 7,9")));

  control->SetFocus();
  vcltest::Pump();
  control->Log.clear();
  control->SwallowTab = true;
  vcltest::Key(VK_TAB);
  EXPECT_EQ(control->Log.mid(0, 2), QStringList({"first 9", "key 9"}));
  EXPECT_TRUE(control->Focused()) << "a hook that cleared the key keeps the focus";
  control->SwallowTab = false;
  vcltest::Key(VK_TAB);
  vcltest::Pump();
  EXPECT_TRUE(next->Focused()) << "Tab moves on after the hooks";
}
