// TKitUtils and the screen: DPI scale of a component's form, scaling
// controls and forms to a resolution, the cursor position.

#include <gtest/gtest.h>

#include "foundation/KitTypes.h"
#include "foundation/KitUtils.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Forms.h"
#include "tests/support/TestSupport.h"

// The drop-down pop-up window is recognised by its class name, so the
// stand-in lives in the global namespace.
class TKitCustomPopupForm : public TForm {
 public:
  using TForm::TForm;
};

namespace {

class TPlainControl : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
};

// Puts the monitors' resolution and the main form back after each test.
class KitUtilsDPITest : public ::testing::Test {
 protected:
  void SetUp() override { FMainForm = Application->MainForm(); }
  void TearDown() override {
    Screen->SetMonitorPixelsPerInch(0, 0);
    Application->SetMainForm(FMainForm);
  }
  static void SetDPI(int APPI) { Screen->SetMonitorPixelsPerInch(0, APPI); }

 private:
  TCustomForm* FMainForm = nullptr;
};

TPlainControl* Place(TWinControl* AParent, TComponent* AOwner, int ALeft, int ATop, int AWidth, int AHeight) {
  auto* c = new TPlainControl(AOwner);
  if (AParent) c->SetParent(AParent);
  c->SetBounds(ALeft, ATop, AWidth, AHeight);
  return c;
}

TEST_F(KitUtilsDPITest, GetDPIScaleGoesByTheMonitorOfTheComponentsForm) {
  TForm form(nullptr);
  form.SetBounds(20, 20, 300, 200);
  auto* panel = Place(&form, &form, 10, 10, 100, 100);
  TPlainControl onPanelControl(nullptr);  // no owner: found through its parents
  onPanelControl.SetParent(panel);
  TPlainControl* onPanel = &onPanelControl;
  auto* unplaced = Place(nullptr, &form, 0, 0, 10, 10);  // not on a form yet: its owner counts
  auto* component = new TComponent(&form);
  TComponent loose(nullptr);
  TForm unscaled(nullptr);
  unscaled.SetScaled(false);
  Application->SetMainForm(&form);

  for (int ppi : {96, 120, 144}) {
    SetDPI(ppi);
    const float scale = ppi / 96.0f;
    const struct {
      TComponent* Owner;
      int DefaultDPI;
      float Expected;
    } cases[] = {
        {&form, 96, scale},     {panel, 96, scale},     {onPanel, 96, scale},      {unplaced, 96, scale},
        {component, 96, scale}, {nullptr, -1, scale},   {&form, 0, scale},         {&form, -1, scale},
        {&form, 120, ppi / 120.0f}, {&form, 192, ppi / 192.0f}, {&loose, 96, 1.0f}, {&unscaled, 96, 1.0f},
    };
    for (const auto& c : cases) {
      const QString who = c.Owner ? c.Owner->ClassName() : QStringLiteral("none");
      EXPECT_FLOAT_EQ(TKitUtils::GetDPIScale(c.Owner, c.DefaultDPI), c.Expected)
          << ppi << " " << who.toStdString() << " " << c.DefaultDPI;
    }
    EXPECT_EQ(TKitUtils::IsHighDPIScale(&form, 96), ppi > 96) << ppi;
    EXPECT_FALSE(TKitUtils::IsHighDPIScale(&form, 144)) << ppi;
  }

  // Without a main form there is no form to ask.
  Application->SetMainForm(nullptr);
  SetDPI(144);
  EXPECT_FLOAT_EQ(TKitUtils::GetDPIScale(), 1.0f);
  EXPECT_FALSE(TKitUtils::IsHighDPIScale());
}

TEST_F(KitUtilsDPITest, ScaleForDPIScalesAControlAndItsChildren) {
  TKitUtils::ScaleForDPI(nullptr, 144);  // nothing to do

  TPlainControl panel(nullptr);
  panel.SetBounds(10, 20, 100, 60);
  auto* first = Place(&panel, &panel, 4, 4, 40, 20);
  auto* second = Place(&panel, &panel, 44, 4, 40, 20);
  first->Font()->SetHeight(-12);

  TKitUtils::ScaleForDPI(&panel, 144);
  EXPECT_EQ(panel.BoundsRect(), TRect(15, 30, 165, 120));
  EXPECT_EQ(first->BoundsRect(), TRect(6, 6, 66, 36));
  EXPECT_EQ(second->Left(), first->BoundsRect().Right);  // still side by side
  EXPECT_EQ(first->Font()->Height(), -18);
  EXPECT_EQ(second->CurrentPPI(), 144);

  // The resolution is absolute: asking for it again changes nothing.
  TKitUtils::ScaleForDPI(&panel, 144);
  EXPECT_EQ(panel.Width(), 150);
}

TEST_F(KitUtilsDPITest, ScaleForCurrentDPIBringsFontsToNinetySixDPIThenScalesTheForm) {
  TKitUtils::ScaleForCurrentDPI(nullptr);  // nothing to do

  TForm form(nullptr);
  form.SetBounds(20, 20, 200, 100);
  form.Font()->SetHeight(-16);
  form.Font()->SetPixelsPerInch(120);
  auto* panel = Place(&form, &form, 0, 0, 100, 50);
  auto* inner = Place(panel, &form, 0, 0, 10, 10);
  TForm embedded(nullptr);
  embedded.SetParent(&form);
  auto* onEmbedded = Place(&embedded, &embedded, 0, 0, 10, 10);

  const struct {
    TControl* Control;
    int PPI;
    int Height;
    int AtNinetySix;  // MulDivInt(Height, 96, PPI), halves away from zero
  } cases[] = {
      {panel, 120, -15, -12},     {inner, 144, -9, -6},  {onEmbedded, 192, -5, -3},
      {&embedded, 144, -24, -24},  // forms keep their fonts
  };
  for (const auto& c : cases) {
    c.Control->Font()->SetPixelsPerInch(c.PPI);
    c.Control->Font()->SetHeight(c.Height);
  }

  // At 96 DPI only the fonts change.
  TKitUtils::ScaleForCurrentDPI(&form);
  for (const auto& c : cases) EXPECT_EQ(c.Control->Font()->Height(), c.AtNinetySix) << c.PPI;
  EXPECT_EQ(form.Font()->Height(), -16);
  EXPECT_EQ(form.Width(), 200);

  // At 144 DPI the form then scales itself, fonts included. The fonts'
  // own resolution still says 120 and 144, so their heights are brought
  // down once more first: -12 to -10, -6 to -4; then times 1.5.
  SetDPI(144);
  TKitUtils::ScaleForCurrentDPI(&form);
  EXPECT_EQ(form.Width(), 300);
  EXPECT_EQ(form.CurrentPPI(), 144);
  EXPECT_EQ(panel->Font()->Height(), -15);
  EXPECT_EQ(inner->Font()->Height(), -6);
  EXPECT_EQ(embedded.Font()->Height(), -36);
  EXPECT_EQ(form.Font()->Height(), -24);
}

TEST_F(KitUtilsDPITest, APopupFormIsScaledAgainByTheDPIScale) {
  TKitCustomPopupForm popup(nullptr);
  popup.SetBounds(0, 0, 201, 101);
  TForm plain(nullptr);
  plain.SetBounds(0, 0, 201, 101);

  TKitUtils::ScaleForCurrentDPI(&popup);
  EXPECT_EQ(popup.Width(), 201);  // a scale of 1 leaves it alone

  SetDPI(120);
  TKitUtils::ScaleForCurrentDPI(&plain);
  TKitUtils::ScaleForCurrentDPI(&popup);
  // The form's own scaling gives MulDiv(201, 120, 96) = 251 and 126; the
  // pop-up then takes 1.25 once more, rounded.
  EXPECT_EQ(plain.Width(), 251);
  EXPECT_EQ(plain.Height(), 126);
  EXPECT_EQ(popup.Width(), int(Round(251 * 1.25)));
  EXPECT_EQ(popup.Height(), int(Round(126 * 1.25)));

  // An unscaled pop-up has a scale of 1 and stays as it is.
  TKitCustomPopupForm fixed(nullptr);
  fixed.SetScaled(false);
  fixed.SetBounds(0, 0, 201, 101);
  TKitUtils::ScaleForCurrentDPI(&fixed);
  EXPECT_EQ(fixed.Width(), 201);
}

TEST_F(KitUtilsDPITest, GetMousePosFollowsTheCursor) {
  const TPoint saved = Mouse->CursorPos();
  for (const TPoint& p : {TPoint(12, 34), TPoint(0, 0), TPoint(640, 2)}) {
    Mouse->SetCursorPos(p);
    EXPECT_EQ(TKitUtils::GetMousePos(), TPointF(float(p.X), float(p.Y)));
  }
  Mouse->SetCursorPos(saved);
}

}  // namespace

TEST_F(KitUtilsDPITest, SVGGraphicSizeFollowsTheMainFormsScaling) {
  TKitSVGBitmap graphic;
  const QByteArray svg = "<svg viewBox='0 0 100 50'><rect width='10' height='10'/></svg>";
  TBytesStream stream(svg);
  graphic.LoadFromStream(&stream);
  ASSERT_TRUE(graphic.HasSVG());
  SetDPI(144);
  Application->SetMainForm(nullptr);
  EXPECT_EQ(graphic.Width(), 100) << "no main form: 96 DPI";
  TForm form(nullptr);
  Application->SetMainForm(&form);
  EXPECT_EQ(graphic.Width(), 150);
  EXPECT_EQ(graphic.Height(), 75);
  form.SetScaled(false);
  EXPECT_EQ(graphic.Width(), 100) << "an unscaled main form keeps the document's size";
  EXPECT_EQ(graphic.Height(), 50);
  form.SetScaled(true);
  SetDPI(96);
  EXPECT_EQ(graphic.Width(), 100);
}
