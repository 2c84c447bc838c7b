// The stylers: the walk over forms and frames (order, veto, events), the form
// colours, tones, the application styler, the style list and the combo box,
// and the style routines.

#include "foundation/KitAppStyler.h"

#include <gtest/gtest.h>

#include <QStringList>

#include "foundation/KitThemeNotifier.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Registry.h"
#include "platform/vcl/ExtCtrls.h"
#include "tests/support/TestSupport.h"

namespace {

QStringList Log;

QString Hex(TColor c) { return QStringLiteral("%1").arg(uint32_t(c), 0, 16); }

class StyledEx : public TComponent, public IVDXStyleEx, public IVDXTones {
 public:
  using TComponent::TComponent;
  void SetComponentStyle(TVDXStyle s) override { Log << Name() + QStringLiteral(":style %1").arg(int(s)); }
  void SetComponentStyleAndAppColor(TVDXStyle s, TColor c) override {
    Log << Name() + QStringLiteral(":ex %1 %2").arg(int(s)).arg(Hex(c));
  }
  void SetColorTones(const TColorTones& t) override {
    Log << Name() + QStringLiteral(":tones %1").arg(Hex(t.Selected.BrushColor));
  }
};

class StyledPlain : public TComponent, public IVDXStyle {
 public:
  using TComponent::TComponent;
  void SetComponentStyle(TVDXStyle s) override { Log << Name() + QStringLiteral(":style %1").arg(int(s)); }
};

class Unstyled : public TComponent {
 public:
  using TComponent::TComponent;
};

class StyledFrame : public TFrame, public IVDXStyle, public IVDXTones {
 public:
  using TFrame::TFrame;
  void SetComponentStyle(TVDXStyle s) override { Log << Name() + QStringLiteral(":style %1").arg(int(s)); }
  void SetColorTones(const TColorTones& t) override {
    Log << Name() + QStringLiteral(":tones %1").arg(Hex(t.Selected.BrushColor));
  }
};

class StyledForm : public TForm, public IVDXStyleEx, public IVDXTones {
 public:
  using TForm::TForm;
  void SetComponentStyle(TVDXStyle s) override { Log << QStringLiteral("form:style %1").arg(int(s)); }
  void SetComponentStyleAndAppColor(TVDXStyle s, TColor c) override {
    Log << QStringLiteral("form:ex %1 %2").arg(int(s)).arg(Hex(c));
  }
  void SetColorTones(const TColorTones& t) override {
    Log << QStringLiteral("form:tones %1").arg(Hex(t.Selected.BrushColor));
  }
};

template <class T>
T* Make(TComponent* Owner, const QString& Name) {
  T* c = Create<T>(Owner);
  c->SetName(Name);
  return c;
}

// A form holding A, a frame F1 (holding B and a frame F2 holding C), D, an
// unstyled component and, last, the styler.
class StylerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TRegistryStore::SetFileName(dir_.File(QStringLiteral("registry.reg")));
    form_ = CreateUnique<StyledForm>(nullptr);
    Make<StyledEx>(form_.get(), QStringLiteral("A"));
    auto* f1 = Make<StyledFrame>(form_.get(), QStringLiteral("F1"));
    Make<StyledPlain>(f1, QStringLiteral("B"));
    auto* f2 = Make<StyledFrame>(f1, QStringLiteral("F2"));
    Make<StyledEx>(f2, QStringLiteral("C"));
    Make<StyledPlain>(form_.get(), QStringLiteral("D"));
    Make<Unstyled>(form_.get(), QStringLiteral("U"));
    styler_ = Make<TKitFormStyler>(form_.get(), QStringLiteral("Styler"));
    Log.clear();
  }
  void TearDown() override {
    form_.reset();
    TRegistryStore::SetFileName(dir_.File(QStringLiteral("unused.reg")));
  }
  testsupport::TempDir dir_;
  std::unique_ptr<StyledForm> form_;
  TKitFormStyler* styler_ = nullptr;
};

TEST_F(StylerTest, StyleWalksFormThenEachComponentWithFramesVisitedBeforeOfferedOnTheFormAndAfterInside) {
  styler_->SetAppColor(0x123456);  // Style is tsCustom: nothing applied
  EXPECT_TRUE(Log.isEmpty());
  styler_->SetStyle(tsOffice2019Gray);
  const QStringList expected = {"form:ex 25 123456", "A:ex 25 123456", "B:style 25", "F2:style 25",
                                "C:ex 25 123456",    "F1:style 25",    "D:style 25"};
  EXPECT_EQ(Log, expected);
  EXPECT_EQ(form_->Color(), TColor(0x666666));
}

TEST_F(StylerTest, FormColourPerStyle) {
  const struct {
    TVDXStyle style;
    TColor color;
  } cases[] = {{tsOffice2013White, 0xFFFFFF}, {tsOffice2016White, 0xFFFFFF}, {tsOffice2019White, 0xFFFFFF},
               {tsOffice2013LightGray, 0xC0C0C0}, {tsOffice2013Gray, 0x808080}, {tsOffice2016Gray, 0x808080},
               {tsOffice2019Gray, 0x666666}, {tsOffice2016Black, 0}, {tsOffice2019Black, 0},
               {tsWindows10, clBtnFace}, {tsOffice2007Luna, clBtnFace}, {tsTerminal, clBtnFace}};
  for (const auto& c : cases) {
    styler_->SetStyle(c.style);
    EXPECT_EQ(form_->Color(), c.color) << int(c.style);
  }
}

TEST_F(StylerTest, VetoSkipsOneComponentAndItsAppliedEventOnly) {
  QStringList applied;
  styler_->OnApplyStyle = [](TObject*, TComponent* c, bool& allow) {
    if (c->Name() == QStringLiteral("C")) allow = false;
  };
  styler_->OnAppliedStyle = [&](TObject* sender, TComponent* c) {
    EXPECT_EQ(sender, styler_);
    applied << (c == form_.get() ? QStringLiteral("form") : c->Name());
  };
  styler_->SetStyle(tsWindows10);
  EXPECT_FALSE(Log.join(',').contains(QStringLiteral("C:")));
  EXPECT_EQ(applied, QStringList({"form", "A", "B", "F2", "F1", "D"}));
}

TEST_F(StylerTest, CustomAppliesNothingAndReturningReapplies) {
  styler_->SetStyle(tsOffice2016Black);
  Log.clear();
  styler_->SetStyle(tsCustom);
  EXPECT_TRUE(Log.isEmpty());
  styler_->SetStyle(tsOffice2016Black);
  EXPECT_EQ(Log.size(), 7);
}

TEST_F(StylerTest, DisabledStylerAppliesNothingAndReenablingApplies) {
  styler_->SetEnabled(false);
  styler_->SetStyle(tsOffice2010Blue);
  EXPECT_TRUE(Log.isEmpty());
  styler_->SetEnabled(true);
  EXPECT_EQ(Log.first(), QStringLiteral("form:ex 13 0"));
}

TEST_F(StylerTest, SetColorTonesSetsMetroAndCustomAndWalksWithTones) {
  styler_->SetStyle(tsOffice2013Gray);
  Log.clear();
  TColorTones tones = DefaultColorTones();
  tones.Selected.BrushColor = 0xABCDEF;
  int changes = 0;
  styler_->OnChange = [&](TObject*) { ++changes; };
  styler_->SetColorTones(tones);
  EXPECT_TRUE(styler_->Metro());
  EXPECT_EQ(styler_->Style(), tsCustom);
  const QStringList expected = {"form:tones abcdef", "A:tones abcdef", "F2:tones abcdef", "C:tones abcdef",
                                "F1:tones abcdef"};
  EXPECT_EQ(Log, expected);
  EXPECT_EQ(changes, 0);
  // Vetoed tones.
  Log.clear();
  styler_->OnApplyColorTones = [](TObject*, TComponent* c, bool& allow) { allow = c->Name() != QStringLiteral("A"); };
  styler_->SetColorTones(tones);
  EXPECT_FALSE(Log.join(',').contains(QStringLiteral("A:")));
}

TEST_F(StylerTest, MetroTonesReachComponentsOnlyWithCustomStyle) {
  styler_->SetMetroColor(0x00FF00);
  EXPECT_TRUE(Log.isEmpty());  // Metro off
  styler_->SetMetro(true);
  EXPECT_TRUE(Log.contains(QStringLiteral("A:tones ff00")));
  EXPECT_EQ(styler_->Tones().Hover.BrushColor, DarkenColor(0x00FF00, 20));
  styler_->SetMetroStyle(msDark);
  EXPECT_EQ(styler_->Tones().Background.BrushColor, TColor(0));
  EXPECT_EQ(styler_->Tones().Background.TextColor, TColor(0xFFFFFF));
}

TEST_F(StylerTest, FrameOwnedStylerWalksItsFrameOnly) {
  auto* frame = static_cast<TFrame*>(form_->FindComponent(QStringLiteral("F1")));
  auto* inner = Make<TKitFormStyler>(frame, QStringLiteral("S2"));
  Log.clear();
  inner->SetStyle(tsWindows8);
  EXPECT_EQ(Log, QStringList({"B:style 16", "F2:style 16", "C:ex 16 0"}));
  EXPECT_EQ(form_->Color(), clBtnFace);
}

TEST_F(StylerTest, StyleListAndComboBox) {
  std::unique_ptr<TStringList> styles(styler_->GetStyles());
  ASSERT_EQ(styles->Count(), 26);
  EXPECT_EQ(styles->Strings(0), QStringLiteral("Office 2003 Blue"));
  EXPECT_EQ(styles->Strings(5), QStringLiteral("Office 2007 Silver"));
  EXPECT_EQ(styles->Strings(25), QStringLiteral("Custom"));
  for (int i = 0; i < styles->Count(); ++i)
    EXPECT_NE(reinterpret_cast<intptr_t>(styles->Objects(i)), intptr_t(tsWhidbey));

  auto* combo = Make<TComboBox>(form_.get(), QStringLiteral("Combo"));
  styler_->SetStyle(tsOffice2013LightGray);
  styler_->SetComboBox(combo);
  EXPECT_EQ(combo->Items()->Count(), 26);
  EXPECT_EQ(combo->Style(), csDropDownList);
  EXPECT_EQ(combo->Items()->Strings(combo->ItemIndex()), QStringLiteral("Office 2013 Light gray"));
  combo->SetItemIndex(23);
  combo->OnSelect(combo);
  EXPECT_EQ(styler_->Style(), tsOffice2019Gray);
  combo->SetItemIndex(-1);
  combo->OnSelect(combo);
  EXPECT_EQ(styler_->Style(), tsOffice2019Gray);

  styler_->SetComboBox(nullptr);
  styler_->SetStyle(tsWhidbey);
  styler_->SetComboBox(combo);
  EXPECT_EQ(combo->ItemIndex(), -1);
  delete combo;
  EXPECT_EQ(styler_->ComboBox(), nullptr);
}

TEST_F(StylerTest, VersionAndAssign) {
  EXPECT_EQ(styler_->GetVersion(), QStringLiteral("2.4.0.1"));
  auto other = CreateUnique<TKitFormStyler>(nullptr);
  other->SetStyle(tsOffice2016Gray);
  styler_->Assign(other.get());
  EXPECT_EQ(styler_->Style(), tsOffice2016Gray);
}

TEST_F(StylerTest, GetFormStylerStyleFindsFirstEnabledNonCustomStyler) {
  auto* control = Create<TPanel>(form_.get());
  control->SetParent(form_.get());
  EXPECT_EQ(GetFormStylerStyle(control, tsOffice2019White), tsOffice2019White);
  styler_->SetEnabled(false);
  styler_->SetStyle(tsOffice2010Blue);
  auto* second = Make<TKitFormStyler>(form_.get(), QStringLiteral("Second"));
  auto* third = Make<TKitFormStyler>(form_.get(), QStringLiteral("Third"));
  third->SetStyle(tsTerminal);
  EXPECT_EQ(GetFormStylerStyle(control, tsOffice2019White), tsTerminal);  // disabled and custom skipped
  second->SetStyle(tsWindows7);
  EXPECT_EQ(GetFormStylerStyle(form_.get(), tsOffice2019White), tsWindows7);
  EXPECT_EQ(GetFormStylerStyle(nullptr, tsOffice2019White), tsOffice2019White);
  auto loose = CreateUnique<Unstyled>(nullptr);
  EXPECT_EQ(GetFormStylerStyle(loose.get(), tsOffice2013Gray), tsOffice2013Gray);
}

// ---------------------------------------------------------------------------
// The application styler

TEST_F(StylerTest, AppStylerPushesItsStyleAndTonesToRegisteredStylers) {
  auto app = CreateUnique<TKitAppStyler>(nullptr);
  EXPECT_EQ(app->AppColor(), clNone);
  app->SetStyle(tsOffice2016White);
  styler_->SetAppStyle(app.get());
  EXPECT_EQ(styler_->Style(), tsOffice2016White);
  EXPECT_EQ(app->FormStylerCount(), 1);
  styler_->SetAppStyle(app.get());
  EXPECT_EQ(app->FormStylerCount(), 1);  // registered once

  Log.clear();
  app->SetAppColor(0x00AA00);
  EXPECT_EQ(styler_->AppColor(), TColor(0x00AA00));
  EXPECT_EQ(Log.first(), QStringLiteral("form:ex 21 aa00"));

  const struct {
    TColor background;
    TMetroStyle expected;
  } cases[] = {{0xFFFFFF, msLight}, {0x000000, msDark}, {0x123456, msDark}, {0xFFFFFF, msLight}, {0x808080, msLight}};
  for (const auto& c : cases) {
    TColorTones tones = DefaultColorTones();
    tones.Background.BrushColor = c.background;
    tones.Selected.BrushColor = 0x0000FF;
    tones.Selected.TextColor = 0x00FF00;
    Log.clear();
    app->SetColorTones(tones);
    EXPECT_EQ(app->MetroStyle(), c.expected);
    EXPECT_EQ(app->MetroColor(), TColor(0x0000FF));
    EXPECT_EQ(app->MetroTextColor(), TColor(0x0000FF));
    EXPECT_EQ(app->Style(), tsCustom);
    EXPECT_TRUE(Log.contains(QStringLiteral("A:tones ff")));
  }
  // Freeing the application styler releases the form stylers.
  app.reset();
  EXPECT_EQ(styler_->AppStyle(), nullptr);
}

TEST_F(StylerTest, FormStylerLeavesItsApplicationStylerWhenFreedOrMoved) {
  auto app1 = CreateUnique<TKitAppStyler>(nullptr);
  auto app2 = CreateUnique<TKitAppStyler>(nullptr);
  styler_->SetAppStyle(app1.get());
  styler_->SetAppStyle(app2.get());
  EXPECT_EQ(app1->FormStylerCount(), 0);
  EXPECT_EQ(app2->FormStylerCount(), 1);
  delete styler_;
  styler_ = nullptr;
  EXPECT_EQ(app2->FormStylerCount(), 0);
  app2->SetStyle(tsWindows7);  // reaches no freed styler
}

TEST_F(StylerTest, AutoThemeAdaptTakesTheDetectedStyle) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\Microsoft\\Office\\16.0\\Common"), true));
  reg.WriteString(QStringLiteral("UI Theme"), QStringLiteral("4"));
  styler_->SetAutoThemeAdapt(true);
  EXPECT_EQ(styler_->Style(), tsOffice2019Black);
  auto app = CreateUnique<TKitAppStyler>(nullptr);
  app->SetAutoThemeAdapt(true);
  EXPECT_EQ(app->Style(), tsOffice2019Black);
  // A theme change reported to the theme window follows the new setting.
  reg.WriteString(QStringLiteral("UI Theme"), QStringLiteral("3"));
  styler_->ThemeWindow()->Perform(WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(styler_->Style(), tsOffice2019Gray);
}

// ---------------------------------------------------------------------------
// Routines

TEST(StyleRoutines, LightStylesOfficeThemesAndDarkening) {
  for (int s = 0; s <= int(tsOffice2019Black); ++s) {
    const bool dark = s == tsOffice2016Black || s == tsOffice2019Gray || s == tsOffice2019Black;
    EXPECT_EQ(IsLightStyle(TVDXStyle(s)), !dark) << s;
  }
  EXPECT_EQ(OfficeThemeOfStyle(tsCustom), ot2019Black);
  EXPECT_EQ(OfficeThemeOfStyle(tsOffice2013LightGray), ot2013Silver);
  EXPECT_EQ(OfficeThemeOfStyle(tsOffice2007Obsidian), ot2007Black);
  for (TVDXStyle s : {tsWindowsXP, tsWhidbey, tsWindowsVista, tsWindows7, tsTerminal, tsWindows8, tsWindows10})
    EXPECT_EQ(OfficeThemeOfStyle(s), otUnknown);
  EXPECT_EQ(DarkenColor(0x0000FF, 20), TColor(0x0000CC));
  EXPECT_EQ(DarkenColor(0x123456, 0), TColor(0x123456));
  EXPECT_EQ(DarkenColor(clBtnFace, 0), ColorToRGB(clBtnFace));
  EXPECT_EQ(DarkenColor(0x0000FF, -50), TColor(0x0000FF));  // held to 255
  EXPECT_EQ(DarkenColor(0x000005, 50), TColor(0x000002));   // 2.5 rounds to even
  EXPECT_EQ(DarkenColor(0x000007, 50), TColor(0x000004));   // 3.5 rounds to even
  EXPECT_EQ(GetMetroFontName(), QStringLiteral("Segoe UI"));
  EXPECT_TRUE(EmptyColorTones().Hover.BorderColor == clNone);
  EXPECT_EQ(DefaultColorTones().Selected.TextColor, clHighlightText);
}

TEST(StyleRoutines, ControlDpiScale) {
  auto form = CreateUnique<TForm>(nullptr);
  auto* panel = Create<TPanel>(form.get());
  panel->SetParent(form.get());
  form->SetScaled(false);
  EXPECT_EQ(GetControlDpiScale(panel, nullptr), 1.0f);
  form->SetScaled(true);
  EXPECT_EQ(GetControlDpiScale(panel, nullptr), float(form->Monitor().PixelsPerInch()) / 96.0f);
  auto loose = CreateUnique<TPanel>(nullptr);
  EXPECT_EQ(GetControlDpiScale(loose.get(), nullptr), float(Screen->PixelsPerInch()) / 96.0f);
  EXPECT_GT(GetControlDpiScale(nullptr, nullptr), 0.0f);
}

}  // namespace
