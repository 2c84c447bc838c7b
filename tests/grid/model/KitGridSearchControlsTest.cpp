// The search panel's glyph button (looks, states, groups, layout, generated
// glyphs, painting) and check box (toggling, read-only, keys).

#include <gtest/gtest.h>

#include <QImage>

#include "grid/model/KitGridSearchControls.h"
#include "platform/vcl/Forms.h"
#include "tests/harness/Harness.h"
#include "tests/support/PixelProbes.h"

namespace {

// The mouse and key handlers reached directly.
class TButton_ : public TKitGridButton {
 public:
  using TKitGridButton::TKitGridButton;
  using TKitGridButton::MouseDown;
  using TKitGridButton::MouseMove;
  using TKitGridButton::MouseUp;
  void Press(int X, int Y) { MouseDown(mbLeft, {}, X, Y); }
  void Release(int X, int Y) { MouseUp(mbLeft, {}, X, Y); }
};

class TCheck_ : public TKitCheckBox {
 public:
  using TKitCheckBox::TKitCheckBox;
  using TKitCheckBox::KeyDown;
  using TKitCheckBox::KeyUp;
  using TKitCheckBox::MouseDown;
  using TKitCheckBox::MouseUp;
};

class SearchControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(10, 10, 300, 200);
    ASSERT_TRUE(vcltest::ShowAndActivate(Form.get()));
  }
  void TearDown() override { Form.reset(); }
  TButton_* NewButton(int Left) {
    auto* b = new TButton_(Form.get());
    b->SetParent(Form.get());
    b->SetBounds(Left, 10, 40, 24);
    return b;
  }
  std::unique_ptr<TForm> Form;
};

}  // namespace

TEST_F(SearchControlsTest, LooksSetTheirColoursAndAnUnknownLookNone) {
  TButton_* b = NewButton(0);
  EXPECT_EQ(b->Color(), clBtnFace);
  EXPECT_EQ(b->ColorDown(), 0xD8D3D2);
  EXPECT_EQ(b->ColorHot(), 0xCAC7C7);
  EXPECT_EQ(b->ColorChecked(), 0x808080);
  EXPECT_TRUE(b->Flat());
  EXPECT_EQ(b->Margin(), -1);
  EXPECT_EQ(b->Spacing(), 4);
  TKitGridButton fresh(nullptr);
  EXPECT_EQ(fresh.Width(), 22);
  EXPECT_EQ(fresh.Height(), 23);
  b->SetLook(2);
  EXPECT_EQ(b->Color(), 0xFDEADA);
  EXPECT_EQ(b->ColorTo(), 0xE4AE88);
  EXPECT_EQ(b->ColorDown(), 0x4E91FE);
  EXPECT_EQ(b->ColorCheckedTo(), 0x55ADFF);
  EXPECT_EQ(b->BorderHotColor(), 0x000000);
  EXPECT_FALSE(b->Rounded());
  b->SetLook(7);
  EXPECT_EQ(b->Color(), 0xFDEADA);
  EXPECT_EQ(b->Look(), 2);
  b->SetLook(0);
  EXPECT_TRUE(b->Rounded());
  EXPECT_EQ(b->BorderDownColor(), 0xAF987A);
  EXPECT_EQ(b->BorderColor(), TColor(0x1FFFFFFF));
  b->SetMargin(-5);
  EXPECT_EQ(b->Margin(), -1);
}

TEST_F(SearchControlsTest, ClickOnlyWhenReleasedInside) {
  TButton_* b = NewButton(0);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  b->Press(5, 5);
  EXPECT_EQ(b->State(), TKitGridButton::bsDown);
  b->MouseMove({}, 100, 5);
  EXPECT_EQ(b->State(), TKitGridButton::bsUp);
  b->Release(100, 5);
  EXPECT_EQ(clicks, 0);
  b->Press(5, 5);
  b->Release(6, 6);
  EXPECT_EQ(clicks, 1);
  // An ungrouped push button never stays down; a check button toggles.
  EXPECT_FALSE(b->Down());
  b->SetStyle(TKitGridButtonStyle::tasCheck);
  b->Press(5, 5);
  b->Release(5, 5);
  EXPECT_TRUE(b->Down());
  b->Press(5, 5);
  b->Release(5, 5);
  EXPECT_FALSE(b->Down());
}

TEST_F(SearchControlsTest, GroupsKeepOneButtonDown) {
  TButton_* a = NewButton(0);
  TButton_* c = NewButton(50);
  a->SetGroupIndex(1);
  c->SetGroupIndex(1);
  a->SetDown(true);
  EXPECT_TRUE(a->Down());
  // Clicking the one down button of a group without AllowAllUp leaves it
  // down.
  a->Press(5, 5);
  a->Release(5, 5);
  EXPECT_TRUE(a->Down());
  // Another button of the group going down raises it.
  c->Press(5, 5);
  c->Release(5, 5);
  EXPECT_TRUE(c->Down());
  EXPECT_FALSE(a->Down());
  // AllowAllUp is the group's: then the down one may go up.
  c->SetAllowAllUp(true);
  EXPECT_TRUE(a->AllowAllUp());
  c->SetDown(false);
  EXPECT_FALSE(c->Down());
}

TEST(GridButtonLayoutTest, GlyphAndCaptionAlongTheAxis) {
  struct Case {
    TButtonLayout layout;
    int margin, spacing;
    int glyphX, textX;
  } cases[] = {
      // Client 100 wide, glyph 16, caption 40.
      {blGlyphLeft, -1, 4, 20, 40},     // margin (100-16-40-4+1)/2 = 20
      {blGlyphLeft, -1, -1, 14, 44},    // both (100-56)/3 = 14
      {blGlyphLeft, 5, -1, 5, 40},      // spacing (100-5-56)/2 = 19
      {blGlyphRight, 5, 4, 79, 35},     // glyph 100-5-16, caption 79-4-40
      {blGlyphLeft, 0, 4, 0, 20},
  };
  for (const Case& c : cases) {
    TPoint g, t;
    TKitGridButton::LayoutGlyphAndCaption(100, 24, 16, 16, 40, 14, c.layout, c.margin, c.spacing, g, t);
    EXPECT_EQ(g.X, c.glyphX) << c.layout << " " << c.margin << " " << c.spacing;
    EXPECT_EQ(t.X, c.textX) << c.layout << " " << c.margin << " " << c.spacing;
    EXPECT_EQ(g.Y, (24 - 16 + 1) / 2);
    EXPECT_EQ(t.Y, (24 - 14 + 1) / 2);
  }
  // Vertical: the same along y, centred across.
  TPoint g, t;
  TKitGridButton::LayoutGlyphAndCaption(60, 80, 16, 16, 40, 14, blGlyphTop, 2, 3, g, t);
  EXPECT_EQ(g.Y, 2);
  EXPECT_EQ(t.Y, 21);
  EXPECT_EQ(g.X, 22);
  EXPECT_EQ(t.X, 10);
}

TEST(GridButtonGlyphTest, DisabledAndShadeGlyphs) {
  TBitmap glyph;
  glyph.SetPixelFormat(pf24bit);
  glyph.SetSize(4, 4);
  glyph.Canvas()->Brush()->SetColor(clFuchsia);
  glyph.Canvas()->FillRect(TRect(0, 0, 4, 4));
  glyph.Canvas()->SetPixels(1, 1, TColor(0x0000FF));  // red: mean 85 -> 96 + 42 = 138
  auto grey = TKitGridButton::DisabledGlyphOf(&glyph);
  const QImage g = grey->ToImage();
  EXPECT_EQ(probe::Bgr(g.pixel(1, 1)), 0x8A8A8Au);
  // Fuchsia: mean 170 -> 96 + 85 = 181.
  EXPECT_EQ(probe::Bgr(g.pixel(0, 0)), 0xB5B5B5u);
  auto shade = TKitGridButton::ShadeGlyphOf(&glyph);
  const QImage s = shade->ToImage();
  EXPECT_EQ(probe::Bgr(s.pixel(1, 1)), 0x808080u);
  EXPECT_EQ(probe::Bgr(s.pixel(0, 0)), uint32_t(clFuchsia));
  // Setting the glyph makes the disabled one when there is none.
  TKitGridButton button(nullptr);
  button.SetGlyph(&glyph);
  EXPECT_FALSE(button.GlyphDisabled()->Empty());
  EXPECT_FALSE(button.GlyphShade()->Empty());
}

TEST_F(SearchControlsTest, FlatButtonPaintsItsLookGradient) {
  TButton_* b = NewButton(0);
  b->SetLook(2);
  b->SetCaption(QString());
  vcltest::Pump();
  Form->WidgetIfAllocated()->repaint();
  const QImage img = Form->BackBuffer().copy();
  // The face runs from Color at the top to ColorTo at the bottom.
  EXPECT_EQ(probe::BgrAt(img, 20, 11), 0xFDEADAu);
  const uint32_t bottom = probe::BgrAt(img, 20, 32);
  EXPECT_TRUE(probe::Near(qRgb(bottom & 0xFF, (bottom >> 8) & 0xFF, bottom >> 16), qRgb(0x88, 0xAE, 0xE4), 12))
      << std::hex << bottom;
}

TEST_F(SearchControlsTest, CheckBoxTogglesAndRespectsReadOnly) {
  auto* box = new TCheck_(Form.get());
  box->SetParent(Form.get());
  box->SetBounds(10, 50, 120, 20);
  EXPECT_EQ(box->Caption(), QStringLiteral("TKitCheckBox"));
  EXPECT_EQ(box->State(), cbUnchecked);
  int clicks = 0;
  box->OnClick = [&](TObject*) { ++clicks; };
  box->MouseDown(mbLeft, {}, 5, 5);
  EXPECT_TRUE(box->Down());
  box->MouseUp(mbLeft, {}, 5, 5);
  EXPECT_TRUE(box->Checked());
  EXPECT_EQ(clicks, 1);
  // Released outside: nothing.
  box->MouseDown(mbLeft, {}, 5, 5);
  box->MouseUp(mbLeft, {}, 500, 5);
  EXPECT_TRUE(box->Checked());
  EXPECT_EQ(clicks, 1);
  // Space.
  Word key = VK_SPACE;
  box->KeyDown(key, {});
  key = VK_SPACE;
  box->KeyUp(key, {});
  EXPECT_FALSE(box->Checked());
  EXPECT_EQ(clicks, 2);
  // Read-only: no toggling, the click still fires.
  box->SetReadOnly(true);
  box->MouseDown(mbLeft, {}, 5, 5);
  box->MouseUp(mbLeft, {}, 5, 5);
  EXPECT_FALSE(box->Checked());
  EXPECT_EQ(clicks, 3);
  key = VK_SPACE;
  box->KeyDown(key, {});
  key = VK_SPACE;
  box->KeyUp(key, {});
  EXPECT_FALSE(box->Checked());
  // Checked reads true for cbChecked only.
  box->SetState(cbGrayed);
  EXPECT_FALSE(box->Checked());
  box->SetChecked(true);
  EXPECT_EQ(box->State(), cbChecked);
  // The box: 13 pixels at the left, 4 from the top; at the right when
  // right-justified.
  EXPECT_EQ(box->BoxRect(), TRect(0, 4, 13, 17));
  box->SetAlignment(taRightJustify);
  EXPECT_EQ(box->BoxRect(), TRect(107, 4, 120, 17));
}

TEST_F(SearchControlsTest, AcceleratorsToggleAndClick) {
  auto* box = new TCheck_(Form.get());
  box->SetParent(Form.get());
  box->SetCaption(QStringLiteral("&Match case"));
  EXPECT_NE(box->Perform(CM_DIALOGCHAR, 'm', 0), 0);
  EXPECT_TRUE(box->Checked());
  EXPECT_EQ(box->Perform(CM_DIALOGCHAR, 'x', 0), 0);
  EXPECT_TRUE(box->Checked());
  box->SetReadOnly(true);
  box->Perform(CM_DIALOGCHAR, 'm', 0);
  EXPECT_TRUE(box->Checked());

  TButton_* b = NewButton(0);
  b->SetCaption(QStringLiteral("&Next"));
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  b->Perform(CM_DIALOGCHAR, 'n', 0);
  EXPECT_EQ(clicks, 1);
  b->SetEnabled(false);
  b->Perform(CM_DIALOGCHAR, 'n', 0);
  EXPECT_EQ(clicks, 1);
}
