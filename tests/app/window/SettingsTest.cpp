// The settings in the registry: reading them, the timer menu, the
// Appearance menu, the split button and the split state.

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include "platform/rtl/Registry.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/Themes.h"
#include "tests/app/window/WindowSupport.h"

using namespace windowtest;

namespace {

const QString kKey = QString::fromLatin1(kSettingsKey);

// Puts the settings key in the state given: nullopt values are left out.
void StoreSettings(std::optional<QString> Interface, std::optional<int> Width, std::optional<int> Timer) {
  TRegistry reg;
  reg.DeleteKey(kKey);
  ASSERT_TRUE(reg.OpenKey(kKey, true));
  if (Interface) reg.WriteString(QStringLiteral("Interface"), *Interface);
  if (Width) reg.WriteInteger(QStringLiteral("Width"), *Width);
  if (Timer) reg.WriteInteger(QStringLiteral("Timer"), *Timer);
}

struct Stored {
  QString Interface;
  int Width = -1;
  int Timer = -1;
};

Stored ReadStored() {
  TRegistry reg;
  Stored s;
  if (!reg.OpenKey(kKey, false)) return s;
  s.Interface = reg.ReadString(QStringLiteral("Interface"));
  s.Width = reg.ReadInteger(QStringLiteral("Width"));
  s.Timer = reg.ReadInteger(QStringLiteral("Timer"));
  return s;
}

}  // namespace

TEST(MainWindowSettings, ReadsStyleWidthAndDelay) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  const struct {
    const char* What;
    std::optional<QString> Interface;
    std::optional<int> Width;
    std::optional<int> Timer;
    QString Style;
    int PaneWidth;
    int Delay;
    QString Caption;  // empty: as it was
  } cases[] = {
      {"stored values", QStringLiteral("Cyan Dusk"), 640, 5, QStringLiteral("Cyan Dusk"), 640, 5, QStringLiteral("Timer (5)")},
      {"delay beyond a byte", QStringLiteral("Light"), 700, 300, QStringLiteral("Light"), 700, 44, QStringLiteral("Timer (300)")},
      {"unknown style", QStringLiteral("Nope"), 500, 0, QStringLiteral("Luna"), 500, 0, QStringLiteral("Timer (0)")},
      {"empty style", QString(), 480, 1, QStringLiteral("Luna"), 480, 1, QStringLiteral("Timer (1)")},
      {"nothing stored", std::nullopt, std::nullopt, std::nullopt, QStringLiteral("Luna"), 1024, 3, QString()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    StoreSettings(c.Interface, c.Width, c.Timer);
    TStyleManager::SetStyle(QStringLiteral("Amethyst Kamri"));
    w->PageControl1->SetWidth(300);
    PageDelay = 9;
    w->btnTimer->SetCaption(QStringLiteral("before"));
    w->ReadInterfaceAndWidth();
    EXPECT_EQ(TStyleManager::ActiveStyle().Name(), c.Style);
    EXPECT_EQ(w->PageControl1->Width(), c.PaneWidth);
    EXPECT_EQ(PageDelay, c.Delay);
    EXPECT_EQ(w->btnTimer->Caption(), c.Caption.isEmpty() ? QStringLiteral("before") : c.Caption);
  }
  // A missing key counts as nothing stored, and reading creates nothing.
  TRegistry().DeleteKey(kKey);
  w->ReadInterfaceAndWidth();
  EXPECT_EQ(PageDelay, 3);
  EXPECT_EQ(w->PageControl1->Width(), 1024);
  EXPECT_FALSE(TRegistry().KeyExists(kKey));
}

TEST(MainWindowSettings, TimerMenuChecksTheChoiceAndWritesTheSettings) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  TRegistry().DeleteKey(kKey);
  TStyleManager::SetStyle(QStringLiteral("Iceberg Classico"));
  w->PageControl1->SetWidth(333);
  TMenuItem* menu = w->PopTimer->Items();
  for (int chosen = 0; chosen < 7; ++chosen) {
    TMenuItem* item = menu->Items(chosen);
    SCOPED_TRACE(item->Caption().toStdString());
    item->Click();
    EXPECT_EQ(PageDelay, item->Hint().toInt());
    for (int i = 0; i < menu->Count(); ++i) EXPECT_EQ(menu->Items(i)->Checked(), i == chosen) << i;
    EXPECT_EQ(w->btnTimer->Caption(), QStringLiteral("Timer (") + item->Hint() + QStringLiteral("\")"));
    const Stored s = ReadStored();
    EXPECT_EQ(s.Timer, item->Hint().toInt());
    EXPECT_EQ(s.Interface, QStringLiteral("Iceberg Classico"));
    EXPECT_EQ(s.Width, 333);
  }
  EXPECT_EQ(menu->Items(3)->Caption(), QStringLiteral("10 seconds"));
  menu->Items(3)->Click();
  EXPECT_EQ(w->btnTimer->Caption(), QStringLiteral("Timer (10\")"));
}

TEST(MainWindowSettings, AppearanceMenuListsTheStylesAndSwitches) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  TRegistry().DeleteKey(kKey);
  TStringList sorted;
  for (const QString& name : TStyleManager::StyleNames()) sorted.Add(name);
  sorted.Sort();
  ASSERT_GE(sorted.Count(), 12);
  EXPECT_EQ(sorted.Strings(sorted.Count() - 1), QStringLiteral("Windows"));

  for (const QString& active : {QStringLiteral("Cyan Night"), QStringLiteral("Turquoise Gray")}) {
    TStyleManager::SetStyle(active);
    w->Interface1->Click();
    ASSERT_EQ(w->Interface1->Count(), sorted.Count() - 1);
    for (int i = 0; i < w->Interface1->Count(); ++i) {
      TMenuItem* item = w->Interface1->Items(i);
      EXPECT_EQ(item->Name(), QStringLiteral("Mn%1").arg(i));
      EXPECT_EQ(item->Caption(), sorted.Strings(i));
      EXPECT_EQ(item->Hint(), sorted.Strings(i));
      EXPECT_EQ(item->Checked(), sorted.Strings(i) == active) << item->Caption().toStdString();
    }
  }
  // Choosing an item switches the style and writes it.
  w->Interface1->Click();
  TMenuItem* chosen = nullptr;
  for (int i = 0; i < w->Interface1->Count(); ++i)
    if (w->Interface1->Items(i)->Caption() == QStringLiteral("Emerald Light Slate")) chosen = w->Interface1->Items(i);
  ASSERT_TRUE(chosen);
  chosen->Click();
  EXPECT_EQ(TStyleManager::ActiveStyle().Name(), QStringLiteral("Emerald Light Slate"));
  EXPECT_EQ(ReadStored().Interface, QStringLiteral("Emerald Light Slate"));
}

// The same through the menu bar, as the user opens it: the menu opens with
// every style, the active one checked, and a choice switches.
TEST(MainWindowSettings, AppearanceOpensFromTheMenuBarAndSwitchesTheStyle) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  ASSERT_TRUE(vcltest::ShowAndActivate(w));
  const QString before = TStyleManager::ActiveStyle().Name();
  TStyleManager::SetStyle(QStringLiteral("Luna"));
  for (const QString& next : {QStringLiteral("Cyan Night"), QStringLiteral("Luna")}) {
    SCOPED_TRACE(next.toStdString());
    const QString active = TStyleManager::ActiveStyle().Name();
    ASSERT_TRUE(vcltest::ClickMenuItem(w->Interface1));
    QMenu* open = vcltest::OpenMenu();
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open, w->Interface1->QtMenu());
    EXPECT_EQ(open->actions().size(), TStyleManager::StyleNames().size() - 1);
    TMenuItem* choice = nullptr;
    for (int i = 0; i < w->Interface1->Count(); ++i) {
      TMenuItem* item = w->Interface1->Items(i);
      EXPECT_EQ(item->QtAction()->isChecked(), item->Caption() == active) << item->Caption().toStdString();
      if (item->Caption() == next) choice = item;
    }
    ASSERT_TRUE(choice);
    ASSERT_TRUE(vcltest::ClickMenuItem(choice));
    EXPECT_EQ(vcltest::OpenMenu(), nullptr);
    EXPECT_EQ(TStyleManager::ActiveStyle().Name(), next);
    EXPECT_EQ(ReadStored().Interface, next);
  }
  TStyleManager::SetStyle(before);
}

TEST(MainWindowSettings, SplitButtonHalvesOrQuartersTheResultsPane) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  ASSERT_TRUE(vcltest::ShowAndActivate(w));
  TRegistry().DeleteKey(kKey);
  w->tbSplitScreen->SetDown(false);
  const struct {
    bool Down;
    int Divisor;
    const char* Caption;
  } steps[] = {{true, 4, "75%"}, {false, 2, "50%"}, {true, 4, "75%"}};
  for (const auto& s : steps) {
    vcltest::Click(w->tbSplitScreen, 10, 10);
    EXPECT_EQ(w->tbSplitScreen->Down(), s.Down);
    EXPECT_EQ(w->PageControl1->Width(), w->Width() / s.Divisor);
    EXPECT_EQ(w->tbSplitScreen->Caption(), QString::fromLatin1(s.Caption));
    EXPECT_EQ(ReadStored().Width, w->Width() / s.Divisor);
  }
  // The split state itself is written only by SaveSplitter.
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(kKey, false));
  EXPECT_FALSE(reg.ValueExists(QStringLiteral("SplitScreen")));
  w->SaveSplitter();
  EXPECT_TRUE(reg.ReadBool(QStringLiteral("SplitScreen")));
}

TEST(MainWindowSettings, RestoresTheSplitStateWithoutRunningTheButton) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  const struct {
    const char* What;
    bool Key;
    std::optional<bool> Split;
    bool Before;
    bool After;
  } cases[] = {
      {"stored down", true, true, false, true},
      {"stored up", true, false, true, false},
      {"no value", true, std::nullopt, true, false},
      {"no key", false, std::nullopt, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    TRegistry reg;
    reg.DeleteKey(kKey);
    if (c.Key) {
      ASSERT_TRUE(reg.OpenKey(kKey, true));
      if (c.Split) reg.WriteBool(QStringLiteral("SplitScreen"), *c.Split);
    }
    w->tbSplitScreen->SetDown(c.Before);
    w->tbSplitScreen->SetCaption(QStringLiteral("caption"));
    const int width = w->PageControl1->Width();
    w->RestoreSplitter();
    EXPECT_EQ(w->tbSplitScreen->Down(), c.After);
    EXPECT_EQ(w->tbSplitScreen->Caption(), QStringLiteral("caption"));
    EXPECT_EQ(w->PageControl1->Width(), width);
  }
}
