// Named visual styles: the style manager, the style services of every style,
// the style painter and the legibility of every style's text colours.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPalette>
#include <QWidget>
#include <cmath>
#include <functional>
#include <set>

#include "platform/vcl/Graphics.h"
#include "platform/vcl/Themes.h"
#include "platform/win32/Theme.h"
#include "tests/support/PixelProbes.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr TColor kNone = 0x1FFFFFFF;

TColor Sys(int index) { return TColor(0xFF000000u | uint32_t(index)); }

const QStringList kCustomStyles = {
    "Amethyst Kamri",      "Aqua Light Slate", "Cyan Dusk", "Cyan Night", "Emerald Light Slate", "Iceberg Classico",
    "Lavender Classico",   "Light",            "Luna",      "Smokey Quartz Kamri", "Turquoise Gray"};

QStringList AllStyles() { return QStringList{"Windows"} + kCustomStyles; }

TCustomStyleServices& Get(const QString& name) {
  TCustomStyleServices* s = TStyleManager::Style(name);
  if (!s) throw std::runtime_error(("no style " + name).toStdString());
  return *s;
}

// WCAG 2 relative luminance and contrast ratio, computed here independently
// of the engine.
double Lum(TColor c) {
  auto ch = [](int v) {
    const double s = v / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * ch(c & 0xFF) + 0.7152 * ch((c >> 8) & 0xFF) + 0.0722 * ch((c >> 16) & 0xFF);
}
double Ratio(TColor a, TColor b) {
  const double x = Lum(a), y = Lum(b);
  return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

bool IsRgb(TColor c) { return (uint32_t(c) & 0xFF000000u) == 0; }

TColor ElementColor(const TCustomStyleServices& s, const TThemedElementDetails& d, TElementColor ec) {
  TColor c = 0;
  return s.GetElementColor(d, ec, c) ? c : kNone;
}

// An image with a DC over it.
class Surface {
 public:
  explicit Surface(int w = 200, int h = 200, TColor fill = TColor(RGB(255, 0, 255)))
      : image_(w, h, QImage::Format_ARGB32_Premultiplied) {
    image_.fill(QColor(GetRValue(fill), GetGValue(fill), GetBValue(fill)));
    dc_ = CreateImageDC(&image_);
  }
  ~Surface() { DeleteDC(dc_); }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  HDC dc() const { return dc_; }
  TColor Px(int x, int y) const { return TColor(probe::BgrAt(image_, x, y)); }
  int Count(TColor c) const { return probe::Count(image_, probe::IsBgr(uint32_t(c))); }
  // Bounding box of the pixels that are not bg.
  QRect Ink(TColor bg) const { return probe::Box(image_, probe::NotBgr(uint32_t(bg))); }

 private:
  QImage image_;
  HDC dc_ = nullptr;
};

const TColor kMagenta = TColor(RGB(255, 0, 255));

bool Near(TColor a, TColor b, int tolerance) {
  for (int shift : {0, 8, 16})
    if (std::abs(((a >> shift) & 0xFF) - ((b >> shift) & 0xFF)) > tolerance) return false;
  return true;
}

TColor Mid(TColor a, TColor b) {
  auto m = [&](int shift) { return ((((a >> shift) & 0xFF) + ((b >> shift) & 0xFF)) / 2) << shift; };
  return TColor(m(0) | m(8) | m(16));
}

// Every test leaves the system style active and the application palette as
// it found it.
class Styles : public ::testing::Test {
 protected:
  void SetUp() override {
    savedPalette_ = QApplication::palette();
    TStyleManager::SetErrorDialogHandler([this](const QString& m) { dialogs_ << m; });
  }
  void TearDown() override {
    for (int id : listeners_) TStyleManager::RemoveStyleChangeListener(id);
    TStyleManager::SetStyle("Windows");
    TStyleManager::SetErrorDialogHandler({});
    QApplication::setPalette(savedPalette_);
  }
  int Listen(std::function<void()> f) {
    const int id = TStyleManager::AddStyleChangeListener(std::move(f));
    listeners_.push_back(id);
    return id;
  }

  QStringList dialogs_;

 private:
  QPalette savedPalette_;
  std::vector<int> listeners_;
};

// ---------------------------------------------------------------------------
// The manager

TEST_F(Styles, ListsTheCompiledInStylesAfterWindows) {
  const QStringList names = TStyleManager::StyleNames();
  ASSERT_GE(names.size(), 12);
  EXPECT_EQ(names.first(), "Windows");
  EXPECT_EQ(names.mid(1, 11), kCustomStyles) << "compiled-in styles by name";
  for (const QString& n : AllStyles()) {
    SCOPED_TRACE(n.toStdString());
    TCustomStyleServices* s = TStyleManager::Style(n);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Name(), n);
    EXPECT_EQ(TStyleManager::Style(n.toUpper()), s) << "names match in any case";
    EXPECT_EQ(s->IsSystemStyle(), n == "Windows");
    EXPECT_TRUE(s->Available());
    EXPECT_TRUE(s->Enabled());
  }
  EXPECT_EQ(TStyleManager::Style("No Such Style"), nullptr);
  EXPECT_EQ(&TStyleManager::SystemStyle(), TStyleManager::Style("Windows"));
  EXPECT_EQ(&TStyleManager::ActiveStyle(), &TStyleManager::SystemStyle()) << "the system style is active at first";
}

TEST_F(Styles, EveryCompiledInDefinitionIsValidAndLoadsByResourceName) {
  const QStringList files = QDir(":/styles").entryList({"*.json"}, QDir::Files, QDir::Name);
  ASSERT_EQ(files.size(), 11);
  std::set<QString> seen;
  for (const QString& file : files) {
    SCOPED_TRACE(file.toStdString());
    TStyleInfo info;
    ASSERT_TRUE(TStyleManager::IsValidStyle(":/styles/" + file, info));
    EXPECT_TRUE(kCustomStyles.contains(info.Name));
    EXPECT_FALSE(info.Author.isEmpty());
    EXPECT_FALSE(info.Version.isEmpty());
    seen.insert(info.Name);
    const QString resource = QString(file).remove(".json").remove(' ').toUpper();
    TStyleServicesHandle h = TStyleManager::LoadFromResource(resource);
    EXPECT_EQ(h, TStyleManager::Style(info.Name));
    EXPECT_EQ(TStyleManager::LoadFromResource(resource.toLower()), h) << "loading again gives the same style";
  }
  EXPECT_EQ(seen.size(), 11u) << "one style per resource";
  EXPECT_EQ(TStyleManager::LoadFromResource("AMETHYSTKAMRI")->Name(), "Amethyst Kamri");
  EXPECT_THROW(TStyleManager::LoadFromResource("NOSUCHSTYLE"), EResNotFound);
  EXPECT_THROW(TStyleManager::LoadFromResource("WINDOWS"), EResNotFound) << "the system style is no resource";
}

TEST_F(Styles, SetStyleSwitchesAndRejectsUnknownNamesAndHandles) {
  TStyleManager::SetStyle("Cyan Night");
  EXPECT_EQ(TStyleManager::ActiveStyle().Name(), "Cyan Night");
  EXPECT_EQ(&StyleServices(), &TStyleManager::ActiveStyle());
  TStyleManager::SetStyle("luna");
  EXPECT_EQ(StyleServices().Name(), "Luna") << "any case, canonical name";

  for (const QString& bad : {QString("Bogus"), QString(""), QString("Luna "), QString("Windows2")}) {
    SCOPED_TRACE(bad.toStdString());
    try {
      TStyleManager::SetStyle(bad);
      ADD_FAILURE() << "no exception";
    } catch (const EStyleEngineException& e) {
      EXPECT_EQ(e.Message(), QString("Style '%1' not found").arg(bad));
    }
    EXPECT_EQ(StyleServices().Name(), "Luna") << "the active style stays";
  }

  TStyleManager::SetStyle(TStyleManager::Style("Light"));
  EXPECT_EQ(StyleServices().Name(), "Light");
  EXPECT_THROW(TStyleManager::SetStyle(TStyleServicesHandle(nullptr)), EStyleEngineException);
}

TEST_F(Styles, TrySetStyleAnswersInsteadOfRaising) {
  struct Case {
    const char* name;
    bool dialog;
    bool result;
    const char* active;
    int dialogs;
  } cases[] = {
      {"Amethyst Kamri", true, true, "Amethyst Kamri", 0},
      {"Bogus", true, false, "Amethyst Kamri", 1},
      {"Bogus", false, false, "Amethyst Kamri", 0},
      {"", true, false, "Amethyst Kamri", 1},
      {"Windows", false, true, "Windows", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dialogs_.clear();
    EXPECT_EQ(TStyleManager::TrySetStyle(c.name, c.dialog), c.result);
    EXPECT_EQ(StyleServices().Name(), c.active);
    ASSERT_EQ(dialogs_.size(), c.dialogs);
    if (c.dialogs) {
      EXPECT_EQ(dialogs_.first(), QString("Style '%1' not found").arg(c.name));
    }
  }
}

TEST_F(Styles, OnlyTheSystemStyleIsNotCustom) {
  for (const QString& n : AllStyles()) {
    SCOPED_TRACE(n.toStdString());
    TStyleManager::SetStyle(n);
    EXPECT_EQ(TStyleManager::IsCustomStyleActive(), n != "Windows");
    EXPECT_EQ(TStyleManager::Enabled(), n != "Windows");
    EXPECT_EQ(StyleServices().IsSystemStyle(), n == "Windows");
  }
  // With visual themes off the system style cannot paint themed.
  SetThemeActive(FALSE);
  EXPECT_FALSE(TStyleManager::SystemStyle().Enabled());
  EXPECT_TRUE(Get("Luna").Enabled());
  SetThemeActive(TRUE);
}

TEST_F(Styles, ListenersRunOncePerChangeAfterThePaletteFollowed) {
  int calls = 0;
  QString seenStyle;
  QColor seenWindow;
  Listen([&] {
    ++calls;
    seenStyle = StyleServices().Name();
    seenWindow = QApplication::palette().color(QPalette::Window);
  });
  struct Step {
    const char* name;
    int calls;
  } steps[] = {{"Luna", 1}, {"Luna", 1}, {"LUNA", 1}, {"Bogus", 1}, {"Cyan Dusk", 2}, {"Windows", 3}};
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    TStyleManager::TrySetStyle(s.name, false);
    EXPECT_EQ(calls, s.calls);
  }
  EXPECT_EQ(seenStyle, "Windows");
  EXPECT_EQ(seenWindow.rgb() & 0xFFFFFF, QColor(GetRValue(GetSysColor(COLOR_BTNFACE)), GetGValue(GetSysColor(COLOR_BTNFACE)),
                                                GetBValue(GetSysColor(COLOR_BTNFACE)))
                                             .rgb() & 0xFFFFFF);
}

TEST_F(Styles, ListenersCanLeaveAndOneFailureStopsNoOther) {
  int selfCalls = 0, otherCalls = 0, laterCalls = 0;
  int selfId = 0;
  selfId = TStyleManager::AddStyleChangeListener([&] {
    ++selfCalls;
    TStyleManager::RemoveStyleChangeListener(selfId);
  });
  Listen([&] {
    ++otherCalls;
    throw EStyleEngineException("listener failed");
  });
  Listen([&] { ++laterCalls; });
  EXPECT_THROW(TStyleManager::SetStyle("Light"), EStyleEngineException);
  EXPECT_EQ(StyleServices().Name(), "Light") << "the change itself happened";
  EXPECT_EQ(laterCalls, 1) << "listeners after a failing one still run";
  EXPECT_THROW(TStyleManager::SetStyle("Luna"), EStyleEngineException);
  EXPECT_EQ(selfCalls, 1) << "removed itself";
  EXPECT_EQ(otherCalls, 2);
  EXPECT_EQ(laterCalls, 2);
}

// ---------------------------------------------------------------------------
// Colours

TEST_F(Styles, SystemColoursResolveToEachStylesOwnColours) {
  const int indices[] = {COLOR_BTNFACE, COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT,
                         COLOR_BTNTEXT, COLOR_ACTIVECAPTION, COLOR_INFOBK};
  std::set<std::vector<TColor>> looks;
  for (const QString& n : AllStyles()) {
    SCOPED_TRACE(n.toStdString());
    const TCustomStyleServices& s = Get(n);
    std::vector<TColor> look;
    for (int i = 0; i <= COLOR_MENUBAR; ++i) {
      const TColor c = s.GetSystemColor(Sys(i));
      EXPECT_TRUE(IsRgb(c)) << i;
      if (n == "Windows") {
        EXPECT_EQ(c, TColor(GetSysColor(i))) << "the system style is the system table";
      }
    }
    for (int i : indices) look.push_back(s.GetSystemColor(Sys(i)));
    looks.insert(look);
    // Colours that are not system colours pass unchanged.
    for (TColor c : {TColor(0x123456), kNone, TColor(0x20000000), Sys(31), Sys(0xFF)}) EXPECT_EQ(s.GetSystemColor(c), c);
  }
  EXPECT_EQ(looks.size(), size_t(AllStyles().size())) << "every style has its own system colours";

  // Values from the definitions: roles and an explicit override.
  struct Case {
    const char* style;
    int index;
    TColor rgb;
  } cases[] = {
      {"Cyan Night", COLOR_WINDOW, TColor(RGB(0x0D, 0x10, 0x14))},
      {"Cyan Night", COLOR_BTNFACE, TColor(RGB(0x14, 0x18, 0x1D))},
      {"Amethyst Kamri", COLOR_HIGHLIGHT, TColor(RGB(0x7A, 0x3F, 0x9E))},
      {"Luna", COLOR_HOTLIGHT, TColor(RGB(0x0B, 0x4F, 0xBF))},
      {"Luna", COLOR_ACTIVECAPTION, TColor(RGB(0x0B, 0x52, 0xD0))},
  };
  for (const Case& c : cases) EXPECT_EQ(Get(c.style).GetSystemColor(Sys(c.index)), c.rgb) << c.style << " " << c.index;
}

TEST_F(Styles, ColorToRgbResolvesSystemColoursThroughTheActiveStyle) {
  TStyleManager::SetStyle("Cyan Night");
  EXPECT_EQ(ColorToRGB(clBtnFace), TColor(RGB(0x14, 0x18, 0x1D)));
  EXPECT_EQ(ColorToRGB(clWindow), TColor(RGB(0x0D, 0x10, 0x14)));
  EXPECT_EQ(ColorToRGB(TColor(0x123456)), TColor(0x123456)) << "plain colours pass unchanged";
  TStyleManager::SetStyle("Windows");
  EXPECT_EQ(ColorToRGB(clBtnFace), TColor(GetSysColor(COLOR_BTNFACE)));
}

TEST_F(Styles, TheSystemStyleFollowsChangesOfTheSystemColourTable) {
  const TColor before = TStyleManager::SystemStyle().GetSystemColor(Sys(COLOR_WINDOW));
  const INT index = COLOR_WINDOW;
  const COLORREF changed = RGB(1, 2, 3), original = GetSysColor(COLOR_WINDOW);
  SetSysColors(1, &index, &changed);
  EXPECT_EQ(TStyleManager::SystemStyle().GetSystemColor(Sys(COLOR_WINDOW)), TColor(changed));
  EXPECT_EQ(TStyleManager::SystemStyle().GetStyleColor(scEdit), TColor(changed)) << "derived colours follow too";
  SetSysColors(1, &index, &original);
  EXPECT_EQ(TStyleManager::SystemStyle().GetSystemColor(Sys(COLOR_WINDOW)), before);
}

TEST_F(Styles, StyleAndFontColoursAreDefinedEverywhere) {
  for (const QString& n : AllStyles()) {
    SCOPED_TRACE(n.toStdString());
    const TCustomStyleServices& s = Get(n);
    for (int c = scBorder; c <= scWindow; ++c) EXPECT_TRUE(IsRgb(s.GetStyleColor(TStyleColor(c)))) << "sc " << c;
    for (int f = sfButtonTextDisabled; f <= sfWindowTextNormal; ++f)
      EXPECT_TRUE(IsRgb(s.GetStyleFontColor(TStyleFont(f)))) << "sf " << f;
    EXPECT_EQ(s.GetStyleColor(TStyleColor(scWindow + 1)), kNone);
    EXPECT_EQ(s.GetStyleFontColor(TStyleFont(-1)), kNone);
    // The whole-control colours agree with the elements drawn for them.
    EXPECT_EQ(s.GetStyleColor(scGrid), ElementColor(s, s.GetElementDetails(tgCellNormal), ecFillColor));
    EXPECT_EQ(s.GetStyleColor(scEdit), ElementColor(s, s.GetElementDetails(teEditTextNormal), ecFillColor));
    EXPECT_EQ(s.GetStyleColor(scButtonNormal), ElementColor(s, s.GetElementDetails(tbPushButtonNormal), ecFillColor));
    EXPECT_EQ(s.GetStyleFontColor(sfGridItemSelected), ElementColor(s, s.GetElementDetails(tgCellSelected), ecTextColor));
    EXPECT_EQ(s.GetStyleFontColor(sfHeaderSectionTextNormal),
              ElementColor(s, s.GetElementDetails(thHeaderItemNormal), ecTextColor));
  }
}

TEST_F(Styles, ElementDetailsCarryTheThemePartAndStateNumbers) {
  struct Case {
    TThemedElementDetails got, want;
  } cases[] = {
      {TCustomStyleServices::GetElementDetails(tbPushButtonPressed), {teButton, BP_PUSHBUTTON, PBS_PRESSED}},
      {TCustomStyleServices::GetElementDetails(tbPushButtonDefaulted), {teButton, BP_PUSHBUTTON, PBS_DEFAULTED}},
      {TCustomStyleServices::GetElementDetails(tbCheckBoxMixedHot), {teButton, BP_CHECKBOX, CBS_MIXEDHOT}},
      {TCustomStyleServices::GetElementDetails(tbRadioButtonCheckedDisabled),
       {teButton, BP_RADIOBUTTON, RBS_CHECKEDDISABLED}},
      {TCustomStyleServices::GetElementDetails(tbGroupBoxDisabled), {teButton, BP_GROUPBOX, GBS_DISABLED}},
      {TCustomStyleServices::GetElementDetails(thHeaderItemHot), {teHeader, HP_HEADERITEM, HIS_HOT}},
      {TCustomStyleServices::GetElementDetails(thHeaderSortArrowSortedDown),
       {teHeader, HP_HEADERSORTARROW, HSAS_SORTEDDOWN}},
      {TCustomStyleServices::GetElementDetails(tcDropDownButtonPressed), {teComboBox, CP_DROPDOWNBUTTON, CBXS_PRESSED}},
      {TCustomStyleServices::GetElementDetails(tcDropDownButtonRightHot),
       {teComboBox, CP_DROPDOWNBUTTONRIGHT, CBXS_HOT}},
      {TCustomStyleServices::GetElementDetails(teEditTextFocused), {teEdit, EP_EDITTEXT, ETS_FOCUSED}},
      {TCustomStyleServices::GetElementDetails(teBackgroundNormal), {teEdit, EP_BACKGROUND, 1}},
      {TCustomStyleServices::GetElementDetails(tsArrowBtnLeftDisabled), {teScrollBar, SBP_ARROWBTN, ABS_LEFTDISABLED}},
      {TCustomStyleServices::GetElementDetails(tsThumbBtnVertHot), {teScrollBar, SBP_THUMBBTNVERT, SCRBS_HOT}},
      {TCustomStyleServices::GetElementDetails(tpChunk), {teProgress, PP_CHUNK, 1}},
      {TCustomStyleServices::GetElementDetails(tpBarVert), {teProgress, PP_BARVERT, 1}},
      {TCustomStyleServices::GetElementDetails(tbButtonDontCare), {teButton, 0, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.got.Element, c.want.Element);
    EXPECT_EQ(c.got.Part, c.want.Part);
    EXPECT_EQ(c.got.State, c.want.State) << c.want.Part;
  }
  // Within a family no two values name the same part and state.
  std::set<std::tuple<int, int, int>> seen;
  int drawable = 0;
  auto add = [&](const TThemedElementDetails& d) {
    if (d.Part == 0) return;
    ++drawable;
    EXPECT_TRUE(seen.insert({d.Element, d.Part, d.State}).second) << d.Element << "/" << d.Part << "/" << d.State;
  };
  for (int v = tbButtonDontCare; v <= tbUserButton; ++v) add(TCustomStyleServices::GetElementDetails(TThemedButton(v)));
  for (int v = tcbCategoryButtonsDontCare; v <= tcbButtonSelected; ++v)
    add(TCustomStyleServices::GetElementDetails(TThemedCategoryButtons(v)));
  for (int v = tcComboBoxDontCare; v <= tcDropDownButtonLeftDisabled; ++v)
    add(TCustomStyleServices::GetElementDetails(TThemedComboBox(v)));
  for (int v = teEditDontCare; v <= teEditBorderNoScrollDisabled; ++v)
    add(TCustomStyleServices::GetElementDetails(TThemedEdit(v)));
  for (int v = tgGridDontCare; v <= tgGradientFixedCellPressed; ++v)
    add(TCustomStyleServices::GetElementDetails(TThemedGrid(v)));
  for (int v = thHeaderDontCare; v <= thHeaderSortArrowSortedDown; ++v)
    add(TCustomStyleServices::GetElementDetails(TThemedHeader(v)));
  for (int v = tpProgressDontCare; v <= tpChunkVert; ++v)
    add(TCustomStyleServices::GetElementDetails(TThemedProgress(v)));
  for (int v = tsScrollBarDontCare; v <= tsUpperTrackVertDisabled; ++v)
    add(TCustomStyleServices::GetElementDetails(TThemedScrollBar(v)));
  for (int v = ttTabDontCare; v <= ttPane; ++v) add(TCustomStyleServices::GetElementDetails(TThemedTab(v)));
  for (int v = ttbToolBarDontCare; v <= ttbSeparatorNormal; ++v)
    add(TCustomStyleServices::GetElementDetails(TThemedToolBar(v)));
  EXPECT_EQ(drawable, 28 + 3 + 16 + 15 + 10 + 11 + 4 + 40 + 6 + 7);
  // Outside the enumeration: no element.
  EXPECT_EQ(TCustomStyleServices::GetElementDetails(TThemedGrid(99)).Part, 0);
}

// The elements and colours the library's controls read from the active style.
struct Use {
  TThemedElementDetails details;
  std::vector<TElementColor> colours;
  const char* what;
};

std::vector<Use> LibraryUses() {
  using S = TCustomStyleServices;
  std::vector<Use> uses = {
      {S::GetElementDetails(tgCellNormal), {ecFillColor, ecBorderColor, ecTextColor}, "grid cell"},
      {S::GetElementDetails(tgCellSelected), {ecFillColor, ecTextColor}, "selected cell"},
      {S::GetElementDetails(tgFixedCellNormal), {ecFillColor, ecBorderColor, ecTextColor}, "fixed cell"},
      {S::GetElementDetails(tgGradientCellNormal), {ecFillColor}, "gradient cell"},
      {S::GetElementDetails(teBackgroundNormal), {ecFillColor, ecGradientColor1}, "edit background"},
      {S::GetElementDetails(teEditTextNormal), {ecTextColor, ecFillColor, ecBorderColor}, "edit"},
      {S::GetElementDetails(tcbButtonNormal), {ecFillColor, ecBorderColor}, "category button"},
  };
  for (TThemedButton b : {tbPushButtonNormal, tbPushButtonHot, tbPushButtonPressed, tbPushButtonDisabled})
    uses.push_back({S::GetElementDetails(b), {ecFillColor, ecBorderColor, ecTextColor}, "push button"});
  for (int v = tbCheckBoxUncheckedNormal; v <= tbCheckBoxMixedDisabled; ++v)
    uses.push_back({S::GetElementDetails(TThemedButton(v)), {ecFillColor, ecBorderColor, ecTextColor, ecGlyphColor},
                    "check box"});
  for (TThemedComboBox c : {tcDropDownButtonNormal, tcDropDownButtonHot, tcDropDownButtonPressed, tcDropDownButtonDisabled})
    uses.push_back({S::GetElementDetails(c), {ecFillColor, ecGlyphColor}, "drop-down button"});
  return uses;
}

TEST_F(Styles, TheElementColoursTheLibraryUsesExistInEveryStyle) {
  for (const QString& n : AllStyles()) {
    SCOPED_TRACE(n.toStdString());
    const TCustomStyleServices& s = Get(n);
    for (const Use& u : LibraryUses())
      for (TElementColor ec : u.colours) {
        TColor c = 0;
        EXPECT_TRUE(s.GetElementColor(u.details, ec, c)) << u.what << " state " << u.details.State << " colour " << ec;
        EXPECT_TRUE(IsRgb(c)) << u.what;
      }
    // The edge colours come from the fill; a transparent colour never exists.
    const auto cell = s.GetElementDetails(tgFixedCellNormal);
    EXPECT_NE(ElementColor(s, cell, ecEdgeShadowColor), kNone);
    EXPECT_LT(Lum(ElementColor(s, cell, ecEdgeShadowColor)), Lum(ElementColor(s, cell, ecEdgeHighlightColor)));
    TColor c = 0;
    EXPECT_FALSE(s.GetElementColor(cell, ecTransparentColor, c));
    EXPECT_EQ(c, kNone);
    EXPECT_FALSE(s.GetElementColor(s.GetElementDetails(tgGridDontCare), ecFillColor, c));
    EXPECT_FALSE(s.GetElementColor(TThemedElementDetails{teGrid, 7, 7}, ecFillColor, c));
    EXPECT_EQ(c, kNone);
    // A flat tool button has no fill.
    EXPECT_FALSE(s.GetElementColor(s.GetElementDetails(ttbButtonNormal), ecFillColor, c));
  }
}

// ---------------------------------------------------------------------------
// Painting

enum Probe { Fill, Border, Glyph, Top, Bottom, Middle, Untouched };

struct Sample {
  int x, y;
  Probe probe;
};

struct Drawing {
  TThemedElementDetails details;
  std::vector<Sample> samples;
  const char* what;
};

std::vector<Drawing> Drawings() {
  using S = TCustomStyleServices;
  return {
      {S::GetElementDetails(tgCellNormal), {{100, 100, Fill}, {0, 0, Fill}, {199, 199, Fill}}, "cell"},
      {S::GetElementDetails(tgCellSelected), {{100, 2, Top}, {100, 198, Bottom}}, "selected cell"},
      {S::GetElementDetails(tgFixedCellNormal),
       {{100, 2, Top}, {100, 197, Bottom}, {100, 199, Border}, {199, 100, Border}, {0, 100, Middle}},
       "fixed cell"},
      {S::GetElementDetails(thHeaderItemNormal), {{100, 2, Top}, {100, 199, Border}, {199, 50, Border}}, "header"},
      {S::GetElementDetails(tbPushButtonNormal),
       {{0, 0, Untouched}, {199, 199, Untouched}, {100, 0, Border}, {0, 100, Border}, {100, 100, Middle}},
       "push button"},
      {S::GetElementDetails(tbPushButtonPressed), {{100, 0, Border}, {100, 100, Middle}}, "pressed button"},
      {S::GetElementDetails(tbCheckBoxUncheckedNormal), {{0, 100, Border}, {100, 100, Fill}}, "check box"},
      {S::GetElementDetails(tbCheckBoxMixedNormal), {{0, 100, Border}, {100, 100, Glyph}, {10, 100, Fill}}, "mixed"},
      {S::GetElementDetails(tbRadioButtonUncheckedNormal),
       {{0, 0, Untouched}, {100, 100, Fill}, {100, 0, Border}},
       "radio"},
      {S::GetElementDetails(tbRadioButtonCheckedNormal), {{100, 100, Glyph}, {100, 30, Fill}}, "checked radio"},
      {S::GetElementDetails(tcDropDownButtonNormal), {{100, 100, Glyph}, {0, 0, Border}, {10, 100, Middle}}, "drop-down"},
      {S::GetElementDetails(tsArrowBtnUpNormal), {{100, 100, Glyph}, {0, 0, Border}, {10, 10, Fill}}, "scroll arrow"},
      {S::GetElementDetails(tsArrowBtnRightHot), {{100, 100, Glyph}, {10, 10, Fill}}, "scroll arrow hot"},
      {S::GetElementDetails(tpBar), {{100, 100, Fill}, {0, 100, Border}}, "progress bar"},
      {S::GetElementDetails(tpChunk), {{100, 2, Top}, {100, 198, Bottom}}, "progress chunk"},
      {S::GetElementDetails(teEditTextNormal), {{100, 100, Fill}, {0, 100, Border}, {199, 0, Border}}, "edit"},
      {S::GetElementDetails(teBackgroundNormal), {{100, 2, Fill}, {0, 0, Fill}}, "edit background"},
      {S::GetElementDetails(tcbButtonNormal), {{100, 2, Top}, {100, 0, Border}, {0, 0, Untouched}}, "category button"},
      {S::GetElementDetails(ttTabItemSelected), {{100, 1, Glyph}, {100, 100, Fill}, {0, 100, Border}}, "selected tab"},
      {S::GetElementDetails(ttTabItemNormal), {{100, 199, Border}, {100, 2, Top}}, "tab"},
      {S::GetElementDetails(ttPane), {{100, 100, Fill}, {0, 0, Border}}, "tab pane"},
      {S::GetElementDetails(ttbButtonNormal), {{100, 100, Untouched}, {0, 100, Untouched}}, "flat tool button"},
      {S::GetElementDetails(ttbButtonHot), {{100, 100, Fill}, {100, 0, Border}, {0, 0, Untouched}}, "hot tool button"},
  };
}

TEST_F(Styles, DrawElementPaintsInTheStylesColours) {
  for (const QString& n : kCustomStyles) {
    SCOPED_TRACE(n.toStdString());
    const TCustomStyleServices& s = Get(n);
    for (const Drawing& d : Drawings()) {
      SCOPED_TRACE(d.what);
      Surface canvas;
      ASSERT_TRUE(s.DrawElement(canvas.dc(), d.details, RECT{0, 0, 200, 200}));
      const TColor g1 = ElementColor(s, d.details, ecGradientColor1), g2 = ElementColor(s, d.details, ecGradientColor2);
      for (const Sample& p : d.samples) {
        const TColor px = canvas.Px(p.x, p.y);
        switch (p.probe) {
          case Fill: EXPECT_EQ(px, ElementColor(s, d.details, ecFillColor)) << p.x << "," << p.y; break;
          case Border: EXPECT_EQ(px, ElementColor(s, d.details, ecBorderColor)) << p.x << "," << p.y; break;
          case Glyph: EXPECT_EQ(px, ElementColor(s, d.details, ecGlyphColor)) << p.x << "," << p.y; break;
          case Top: EXPECT_TRUE(Near(px, g1, 3)) << std::hex << px << " vs " << g1; break;
          case Bottom: EXPECT_TRUE(Near(px, g2, 3)) << std::hex << px << " vs " << g2; break;
          case Middle: EXPECT_TRUE(Near(px, Mid(g1, g2), 3)) << std::hex << px << " vs " << Mid(g1, g2); break;
          case Untouched: EXPECT_EQ(px, kMagenta) << p.x << "," << p.y; break;
        }
      }
    }
  }
}

TEST_F(Styles, CheckMarksShowOnlyWhenChecked) {
  const TCustomStyleServices& s = Get("Cyan Night");
  const auto unchecked = s.GetElementDetails(tbCheckBoxUncheckedNormal);
  const auto checked = s.GetElementDetails(tbCheckBoxCheckedNormal);
  Surface a(40, 40), b(40, 40);
  s.DrawElement(a.dc(), unchecked, RECT{0, 0, 40, 40});
  s.DrawElement(b.dc(), checked, RECT{0, 0, 40, 40});
  const TColor mark = ElementColor(s, checked, ecGlyphColor);
  EXPECT_EQ(a.Count(mark), 0);
  EXPECT_GT(b.Count(mark), 40) << "a stroke, not a dot";
  EXPECT_EQ(b.Px(20, 3), ElementColor(s, checked, ecFillColor)) << "checked boxes are filled with the accent";
  // A box in a wide rectangle stays square and centred.
  Surface wide(80, 20);
  s.DrawElement(wide.dc(), unchecked, RECT{0, 0, 80, 20});
  EXPECT_EQ(wide.Ink(kMagenta), QRect(30, 0, 20, 20));
}

TEST_F(Styles, DrawElementKeepsToTheClipAndTheDcOrigin) {
  const TCustomStyleServices& s = Get("Cyan Dusk");
  const auto cell = s.GetElementDetails(tgCellNormal);
  const TColor fill = ElementColor(s, cell, ecFillColor);
  Surface clipped(100, 50);
  const RECT clip{0, 0, 30, 50};
  ASSERT_TRUE(s.DrawElement(clipped.dc(), cell, RECT{10, 10, 90, 40}, &clip));
  EXPECT_EQ(clipped.Ink(kMagenta), QRect(10, 10, 20, 30));
  // The clip is gone afterwards.
  s.DrawElement(clipped.dc(), cell, RECT{60, 10, 90, 40});
  EXPECT_EQ(clipped.Px(70, 20), fill);

  Surface moved(100, 50);
  SetViewportOrgEx(moved.dc(), 20, 5, nullptr);
  s.DrawElement(moved.dc(), cell, RECT{0, 0, 10, 10});
  EXPECT_EQ(moved.Ink(kMagenta), QRect(20, 5, 10, 10));

  // Bad input paints nothing.
  Surface untouched(20, 20);
  EXPECT_FALSE(s.DrawElement(nullptr, cell, RECT{0, 0, 10, 10}));
  EXPECT_FALSE(s.DrawElement(untouched.dc(), s.GetElementDetails(tgGridRoot), RECT{0, 0, 10, 10}));
  EXPECT_FALSE(s.DrawElement(untouched.dc(), TThemedElementDetails{teGrid, 9, 1}, RECT{0, 0, 10, 10}));
  EXPECT_TRUE(s.DrawElement(untouched.dc(), cell, RECT{10, 10, 5, 5})) << "an empty rectangle is fine";
  EXPECT_TRUE(untouched.Ink(kMagenta).isEmpty());
}

TEST_F(Styles, TheSystemStylePaintsThemedAndClassic) {
  const TCustomStyleServices& s = TStyleManager::SystemStyle();
  for (bool themed : {true, false}) {
    SetThemeActive(themed ? TRUE : FALSE);
    for (const Drawing& d : Drawings()) {
      SCOPED_TRACE(std::string(d.what) + (themed ? " themed" : " classic"));
      Surface canvas(60, 40);
      ASSERT_TRUE(s.DrawElement(canvas.dc(), d.details, RECT{10, 5, 50, 35}));
      const QRect ink = canvas.Ink(kMagenta);
      if (d.details == s.GetElementDetails(ttbButtonNormal)) {
        EXPECT_TRUE(ink.isEmpty()) << "flat";
        continue;
      }
      EXPECT_FALSE(ink.isEmpty());
      EXPECT_TRUE(QRect(10, 5, 40, 30).contains(ink)) << "inside the rectangle";
    }
  }
  SetThemeActive(TRUE);
  // Classic cells are the system colours.
  SetThemeActive(FALSE);
  Surface cell(20, 20);
  s.DrawElement(cell.dc(), s.GetElementDetails(tgCellSelected), RECT{0, 0, 20, 20});
  EXPECT_EQ(cell.Px(10, 10), TColor(GetSysColor(COLOR_HIGHLIGHT)));
  SetThemeActive(TRUE);
}

TEST_F(Styles, DrawTextUsesTheElementsTextColourUnlessGivenOne) {
  const TCustomStyleServices& s = Get("Cyan Night");
  const auto selected = s.GetElementDetails(tgCellSelected);
  const TColor text = ElementColor(s, selected, ecTextColor);
  HFONT font = CreateFontW(-28, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           NONANTIALIASED_QUALITY, DEFAULT_PITCH, u"DejaVu Sans");
  const TColor white = TColor(RGB(255, 255, 255)), red = TColor(RGB(255, 0, 0));
  {
    Surface c(200, 60, white);
    SelectObject(c.dc(), font);
    RECT r{0, 0, 200, 60};
    ASSERT_TRUE(s.DrawText(c.dc(), selected, "HHHH", r, DT_SINGLELINE | DT_LEFT | DT_TOP));
    EXPECT_GT(c.Count(text), 50);
    EXPECT_EQ(GetBkMode(c.dc()), OPAQUE) << "the DC's state is restored";
  }
  {
    Surface c(200, 60, white);
    SelectObject(c.dc(), font);
    RECT r{0, 0, 200, 60};
    s.DrawText(c.dc(), selected, "HHHH", r, DT_SINGLELINE, red);
    EXPECT_GT(c.Count(red), 50);
    EXPECT_EQ(c.Count(text), 0);
  }
  {
    Surface c(200, 60, white);
    SelectObject(c.dc(), font);
    RECT r{0, 0, 200, 60};
    s.DrawText(c.dc(), selected, "HHHH", r, DT_SINGLELINE, Sys(COLOR_HIGHLIGHT));
    EXPECT_GT(c.Count(s.GetSystemColor(Sys(COLOR_HIGHLIGHT))), 50) << "system colours of the style";
  }
  {
    Surface c(200, 60, white);
    SelectObject(c.dc(), font);
    RECT r{0, 0, 0, 0};
    s.DrawText(c.dc(), selected, "HHHH", r, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_GT(r.right, 40);
    EXPECT_GT(r.bottom, 20);
    EXPECT_TRUE(c.Ink(white).isEmpty()) << "measuring draws nothing";
  }
  DeleteObject(font);
}

TEST_F(Styles, ContentRectanglesAndTransparentParts) {
  const TCustomStyleServices& s = Get("Light");
  struct Case {
    TThemedElementDetails d;
    RECT bounds, content;
    bool transparent;
  } cases[] = {
      {s.GetElementDetails(tbPushButtonNormal), {0, 0, 100, 30}, {3, 3, 97, 27}, true},
      {s.GetElementDetails(teEditTextNormal), {10, 10, 110, 31}, {12, 12, 108, 29}, false},
      {s.GetElementDetails(teBackgroundNormal), {0, 0, 50, 20}, {0, 0, 50, 20}, false},
      {s.GetElementDetails(thHeaderItemNormal), {0, 0, 80, 20}, {4, 2, 76, 18}, false},
      {s.GetElementDetails(tgCellNormal), {0, 0, 64, 18}, {2, 1, 62, 17}, false},
      {s.GetElementDetails(tbCheckBoxCheckedNormal), {0, 0, 13, 13}, {1, 1, 12, 12}, true},
      {s.GetElementDetails(ttbButtonHot), {0, 0, 4, 4}, {3, 3, 3, 3}, true},
      {s.GetElementDetails(ttTabItemSelected), {0, 0, 60, 20}, {4, 2, 56, 18}, true},
  };
  for (const Case& c : cases) {
    RECT r{};
    EXPECT_TRUE(s.GetElementContentRect(nullptr, c.d, c.bounds, r));
    EXPECT_EQ(r.left, c.content.left);
    EXPECT_EQ(r.top, c.content.top);
    EXPECT_EQ(r.right, c.content.right);
    EXPECT_EQ(r.bottom, c.content.bottom);
    EXPECT_EQ(s.HasTransparentParts(c.d), c.transparent) << c.d.Element << "/" << c.d.Part;
  }
  RECT r{};
  EXPECT_FALSE(s.GetElementContentRect(nullptr, s.GetElementDetails(tgGridDontCare), RECT{0, 0, 5, 5}, r));
  EXPECT_FALSE(s.HasTransparentParts(s.GetElementDetails(tgGridDontCare)));
}

// ---------------------------------------------------------------------------
// The application palette

QColor Q(TColor c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

TEST_F(Styles, TheApplicationPaletteFollowsTheActiveStyle) {
  QWidget widget;
  std::set<QRgb> windows;
  for (const QString& n : AllStyles()) {
    SCOPED_TRACE(n.toStdString());
    TStyleManager::SetStyle(n);
    const TCustomStyleServices& s = StyleServices();
    const QPalette p = QApplication::palette();
    EXPECT_EQ(p.color(QPalette::Window), Q(s.GetSystemColor(Sys(COLOR_BTNFACE))));
    EXPECT_EQ(p.color(QPalette::WindowText), Q(s.GetSystemColor(Sys(COLOR_BTNTEXT))));
    EXPECT_EQ(p.color(QPalette::Base), Q(s.GetSystemColor(Sys(COLOR_WINDOW))));
    EXPECT_EQ(p.color(QPalette::Text), Q(s.GetSystemColor(Sys(COLOR_WINDOWTEXT))));
    EXPECT_EQ(p.color(QPalette::Highlight), Q(s.GetSystemColor(Sys(COLOR_HIGHLIGHT))));
    EXPECT_EQ(p.color(QPalette::HighlightedText), Q(s.GetSystemColor(Sys(COLOR_HIGHLIGHTTEXT))));
    EXPECT_EQ(p.color(QPalette::Button), Q(s.GetStyleColor(scButtonNormal)));
    EXPECT_EQ(p.color(QPalette::ButtonText), Q(s.GetStyleFontColor(sfButtonTextNormal)));
    EXPECT_EQ(p.color(QPalette::Disabled, QPalette::WindowText), Q(s.GetSystemColor(Sys(COLOR_GRAYTEXT))));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(widget.palette().color(QPalette::Window), p.color(QPalette::Window)) << "widgets follow";
    windows.insert(p.color(QPalette::Window).rgb());
  }
  EXPECT_EQ(windows.size(), size_t(AllStyles().size()));
}

// ---------------------------------------------------------------------------
// Legibility

TEST_F(Styles, DarkStylesHaveLightTextAndLightStylesDarkText) {
  for (const QString& n : AllStyles()) {
    SCOPED_TRACE(n.toStdString());
    const TCustomStyleServices& s = Get(n);
    const bool dark = n == "Cyan Night" || n == "Cyan Dusk";
    for (auto [text, back] : {std::pair{s.GetStyleFontColor(sfWindowTextNormal), s.GetStyleColor(scWindow)},
                              std::pair{s.GetStyleFontColor(sfEditBoxTextNormal), s.GetStyleColor(scEdit)},
                              std::pair{s.GetStyleFontColor(sfGridItemNormal), s.GetStyleColor(scGrid)},
                              std::pair{s.GetStyleFontColor(sfButtonTextNormal), s.GetStyleColor(scButtonNormal)}}) {
      if (dark) {
        EXPECT_LT(Lum(back), 0.1) << "dark background";
        EXPECT_GT(Lum(text), 0.5) << "light text";
      } else {
        EXPECT_GT(Lum(back), 0.4) << "light background";
        EXPECT_LT(Lum(text), 0.05) << "dark text";
      }
    }
  }
}

TEST_F(Styles, NormalTextIsLegibleInEveryStyle) {
  struct Pair {
    std::string what;
    TColor text, back;
    double minimum;
  };
  for (const QString& n : AllStyles()) {
    SCOPED_TRACE(n.toStdString());
    const TCustomStyleServices& s = Get(n);
    auto sys = [&](int i) { return s.GetSystemColor(Sys(i)); };
    std::vector<Pair> pairs = {
        {"window text", s.GetStyleFontColor(sfWindowTextNormal), s.GetStyleColor(scWindow), 4.5},
        {"panel text", s.GetStyleFontColor(sfPanelTextNormal), s.GetStyleColor(scPanel), 4.5},
        {"label", s.GetStyleFontColor(sfTextLabelNormal), s.GetStyleColor(scWindow), 4.5},
        {"edit text", s.GetStyleFontColor(sfEditBoxTextNormal), s.GetStyleColor(scEdit), 4.5},
        {"button text", s.GetStyleFontColor(sfButtonTextNormal), s.GetStyleColor(scButtonNormal), 4.5},
        {"hot button text", s.GetStyleFontColor(sfButtonTextHot), s.GetStyleColor(scButtonHot), 4.5},
        {"pressed button text", s.GetStyleFontColor(sfButtonTextPressed), s.GetStyleColor(scButtonPressed), 4.5},
        {"grid text", s.GetStyleFontColor(sfGridItemNormal), s.GetStyleColor(scGrid), 4.5},
        {"list text", s.GetStyleFontColor(sfListItemTextNormal), s.GetStyleColor(scListView), 4.5},
        {"tree text", s.GetStyleFontColor(sfTreeItemTextNormal), s.GetStyleColor(scTreeView), 4.5},
        {"list box text", s.GetStyleFontColor(sfComboBoxItemNormal), s.GetStyleColor(scComboBox), 4.5},
        {"selected list text", s.GetStyleFontColor(sfListItemTextSelected), sys(COLOR_HIGHLIGHT), 4.5},
        {"menu text", s.GetStyleFontColor(sfMenuItemTextNormal), sys(COLOR_MENU), 4.5},
        {"tool button text", s.GetStyleFontColor(sfToolItemTextNormal), s.GetStyleColor(scWindow), 4.5},
        {"caption", s.GetStyleFontColor(sfCaptionTextNormal), sys(COLOR_ACTIVECAPTION), 4.5},
        {"clWindowText", sys(COLOR_WINDOWTEXT), sys(COLOR_WINDOW), 4.5},
        {"clBtnText", sys(COLOR_BTNTEXT), sys(COLOR_BTNFACE), 4.5},
        {"clHighlightText", sys(COLOR_HIGHLIGHTTEXT), sys(COLOR_HIGHLIGHT), 4.5},
        {"clInfoText", sys(COLOR_INFOTEXT), sys(COLOR_INFOBK), 4.5},
        {"clMenuText", sys(COLOR_MENUTEXT), sys(COLOR_MENU), 4.5},
        {"clHotLight on clWindow", sys(COLOR_HOTLIGHT), sys(COLOR_WINDOW), 4.5},
    };
    // Text drawn on elements: against the fill and both ends of a gradient.
    struct OnElement {
      TThemedElementDetails d;
      const char* what;
    };
    using S = TCustomStyleServices;
    const OnElement elements[] = {
        {S::GetElementDetails(tbPushButtonNormal), "push button"},
        {S::GetElementDetails(tbPushButtonHot), "hot push button"},
        {S::GetElementDetails(tbPushButtonPressed), "pressed push button"},
        {S::GetElementDetails(tbPushButtonDefaulted), "default push button"},
        {S::GetElementDetails(tgCellNormal), "grid cell"},
        {S::GetElementDetails(tgCellSelected), "selected grid cell"},
        {S::GetElementDetails(tgFixedCellNormal), "fixed grid cell"},
        {S::GetElementDetails(tgFixedCellHot), "hot fixed cell"},
        {S::GetElementDetails(tgFixedCellPressed), "pressed fixed cell"},
        {S::GetElementDetails(tgGradientCellNormal), "gradient cell"},
        {S::GetElementDetails(thHeaderItemNormal), "header"},
        {S::GetElementDetails(thHeaderItemHot), "hot header"},
        {S::GetElementDetails(thHeaderItemPressed), "pressed header"},
        {S::GetElementDetails(teEditTextNormal), "edit"},
        {S::GetElementDetails(teEditTextFocused), "focused edit"},
        {S::GetElementDetails(teEditTextReadOnly), "read-only edit"},
        {S::GetElementDetails(tcbButtonNormal), "category button"},
        {S::GetElementDetails(tcbButtonHot), "hot category button"},
        {S::GetElementDetails(tcbButtonSelected), "selected category button"},
        {S::GetElementDetails(ttTabItemNormal), "tab"},
        {S::GetElementDetails(ttTabItemHot), "hot tab"},
        {S::GetElementDetails(ttTabItemSelected), "selected tab"},
        {S::GetElementDetails(ttbButtonHot), "hot tool button"},
        {S::GetElementDetails(ttbButtonPressed), "pressed tool button"},
        {S::GetElementDetails(ttbButtonChecked), "checked tool button"},
        {S::GetElementDetails(tcDropDownButtonNormal), "drop-down button"},
    };
    for (const OnElement& e : elements) {
      const TColor text = ElementColor(s, e.d, ecTextColor);
      for (TElementColor back : {ecFillColor, ecGradientColor1, ecGradientColor2}) {
        if (e.d.Element == teEdit && back == ecGradientColor1) continue;  // an alternative background, not under text
        const TColor b = ElementColor(s, e.d, back);
        if (b != kNone) pairs.push_back({std::string(e.what) + " colour " + std::to_string(back), text, b, 4.5});
      }
    }
    // Glyphs (check marks, arrows) are graphics: 3:1.
    for (TThemedElementDetails d : {S::GetElementDetails(tbCheckBoxCheckedNormal), S::GetElementDetails(tbCheckBoxMixedNormal),
                                    S::GetElementDetails(tbRadioButtonCheckedNormal),
                                    S::GetElementDetails(tcDropDownButtonNormal), S::GetElementDetails(tsArrowBtnUpNormal)})
      pairs.push_back({"glyph " + std::to_string(d.Part) + "/" + std::to_string(d.State),
                       ElementColor(s, d, ecGlyphColor), ElementColor(s, d, ecFillColor), 3.0});

    for (const Pair& p : pairs) {
      ASSERT_TRUE(IsRgb(p.text) && IsRgb(p.back)) << p.what;
      EXPECT_GE(Ratio(p.text, p.back), p.minimum)
          << p.what << ": " << std::hex << p.text << " on " << p.back << std::dec << " is " << Ratio(p.text, p.back)
          << ":1";
    }
  }
}

// ---------------------------------------------------------------------------
// Definitions from files

QString Definition(const QString& name, const QString& extra = QString(), const QString& colours = QString()) {
  return QString(R"({"format": "tallowfinch-style", "formatVersion": 1, "name": "%1", "author": "Tests",
    "version": "2.5", "colors": {"window": "#F0F0F0", "windowText": "#101010", "content": "#FFFFFF",
    "contentText": "#000000", "control": "#E0E0E0", "controlText": "#101010", "border": "#909090",
    "accent": "#8A1F5B", "accentText": "#FFFFFF"%3}%2})")
      .arg(name, extra, colours);
}

void Write(const QString& path, const QByteArray& data) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(data);
}

TEST_F(Styles, LoadFromFileRegistersAStyleOnce) {
  testsupport::TempDir dir;
  const QString path = dir.File("orchid.json");
  Write(path, Definition("Test Orchid",
                         R"(, "elements": {"tgCellNormal": {"fill": "#FAF0F5"}, "ttbButtonHot": {"border": "none"}},
                            "fontColors": {"sfTextLabelNormal": "#202020"})")
                  .toUtf8());
  TStyleInfo info;
  ASSERT_TRUE(TStyleManager::IsValidStyle(path, info));
  EXPECT_EQ(info.Name, "Test Orchid");
  EXPECT_EQ(info.Author, "Tests");
  EXPECT_EQ(info.Version, "2.5");

  TStyleServicesHandle h = TStyleManager::LoadFromFile(path);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(TStyleManager::StyleNames().last(), "Test Orchid");
  EXPECT_EQ(TStyleManager::Style("test orchid"), h);
  EXPECT_FALSE(h->IsSystemStyle());
  EXPECT_EQ(ElementColor(*h, h->GetElementDetails(tgCellNormal), ecFillColor), TColor(RGB(0xFA, 0xF0, 0xF5)));
  EXPECT_EQ(ElementColor(*h, h->GetElementDetails(ttbButtonHot), ecBorderColor), kNone) << "\"none\" removes";
  EXPECT_EQ(h->GetStyleFontColor(sfTextLabelNormal), TColor(RGB(0x20, 0x20, 0x20)));
  EXPECT_EQ(h->GetSystemColor(Sys(COLOR_HIGHLIGHT)), TColor(RGB(0x8A, 0x1F, 0x5B)));
  TStyleManager::SetStyle(h);
  EXPECT_TRUE(TStyleManager::IsCustomStyleActive());

  EXPECT_THROW(TStyleManager::LoadFromFile(path), EDuplicateStyleException);
  const QString luna = dir.File("luna.json");
  Write(luna, Definition("LUNA").toUtf8());
  try {
    TStyleManager::LoadFromFile(luna);
    ADD_FAILURE() << "no exception";
  } catch (const EDuplicateStyleException& e) {
    EXPECT_EQ(e.Message(), "Style 'LUNA' already registered");
  }
  Write(luna, Definition("Windows").toUtf8());
  EXPECT_THROW(TStyleManager::LoadFromFile(luna), EDuplicateStyleException);
  EXPECT_EQ(TStyleManager::StyleNames().count("Test Orchid"), 1);

  EXPECT_FALSE(TStyleManager::IsValidStyle(dir.File("missing.json")));
  EXPECT_THROW(TStyleManager::LoadFromFile(dir.File("missing.json")), EFOpenError);
}

TEST_F(Styles, BadDefinitionsAreRejectedWithTheReason) {
  struct Case {
    QString json;
    const char* reason;
  } cases[] = {
      {"not json", "JSON error"},
      {"[1, 2]", "not an object"},
      {QString(Definition("X")).replace("tallowfinch-style", "other"), "\"format\""},
      {QString(Definition("X")).replace("\"formatVersion\": 1", "\"formatVersion\": 2"), "\"formatVersion\""},
      {Definition("  "), "no name"},
      {QString(Definition("X")).replace("\"window\": \"#F0F0F0\", ", ""), "\"window\" is missing"},
      {QString(Definition("X")).replace("#909090", "#90909"), "colors.border"},
      {QString(Definition("X")).replace("#909090", "none"), "colors.border"},
      {Definition("X", "", R"(, "glow": "#FFFFFF")"), "unknown colour role \"glow\""},
      {Definition("X", R"(, "elements": {"tgCellShiny": {"fill": "#FFFFFF"}})"), "unknown element \"tgCellShiny\""},
      {Definition("X", R"(, "elements": {"tgGridRoot": {"fill": "#FFFFFF"}})"), "unknown element \"tgGridRoot\""},
      {Definition("X", R"(, "elements": {"tgCellNormal": {"shade": "#FFFFFF"}})"), "unknown colour \"shade\""},
      {Definition("X", R"(, "elements": {"tgCellNormal": "#FFFFFF"})"), "must be an object"},
      {Definition("X", R"(, "systemColors": {"clNothing": "#FFFFFF"})"), "unknown name \"clNothing\""},
      {Definition("X", R"(, "styleColors": {"scEdit": 12})"), "styleColors.scEdit"},
      {Definition("X", R"(, "colours": {})"), "unknown key \"colours\""},
  };
  testsupport::TempDir dir;
  int i = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    const QString path = dir.File(QString("bad%1.json").arg(i++));
    Write(path, c.json.toUtf8());
    EXPECT_FALSE(TStyleManager::IsValidStyle(path));
    try {
      TStyleManager::LoadFromFile(path);
      ADD_FAILURE() << "no exception";
    } catch (const EStyleEngineException& e) {
      EXPECT_TRUE(e.Message().contains(path)) << e.Message().toStdString();
      EXPECT_TRUE(e.Message().contains(c.reason)) << e.Message().toStdString();
    }
  }
  EXPECT_FALSE(TStyleManager::StyleNames().contains("X"));
}

}  // namespace
