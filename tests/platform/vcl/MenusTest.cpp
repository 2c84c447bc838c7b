// Menus: shortcuts and hotkeys, menu items and the Qt menus showing them,
// main menus on forms, shortcuts reaching the menu from a focused control,
// and pop-up menus through the pop-up service.

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "platform/vcl/ImgList.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Themes.h"
#include "tests/platform/vcl/ControlsTestSupport.h"
#include "tests/platform/vcl/VclTestSupport.h"
#include "tests/support/FakePopupMenus.h"

using namespace vcltest;

namespace {

TMenuItem* NewItem(TComponent* Owner, const QString& Caption, QStringList* Clicks = nullptr) {
  auto* item = new TMenuItem(Owner);
  item->SetCaption(Caption);
  if (Clicks) item->OnClick = [Clicks, Caption](TObject*) { *Clicks << StripHotkey(Caption); };
  return item;
}

QStringList ActionTexts(QWidget* Container) {
  QStringList texts;
  for (QAction* a : Container->actions()) texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
  return texts;
}

// --- shortcuts and hotkeys -----------------------------------------------------

TEST(ShortCutTest, TextAndShortCutConvertBothWays) {
  struct TCase {
    const char* Text;
    TShortCut ShortCut;
    const char* Canonical;
  };
  const TCase cases[] = {
      {"Ctrl+S", TShortCut(scCtrl | 'S'), "Ctrl+S"},
      {"Shift+Ctrl+F5", TShortCut(scShift | scCtrl | VK_F5), "Shift+Ctrl+F5"},
      {"ctrl+shift+a", TShortCut(scShift | scCtrl | 'A'), "Shift+Ctrl+A"},
      {"Alt+BkSp", TShortCut(scAlt | VK_BACK), "Alt+BkSp"},
      {"Del", TShortCut(VK_DELETE), "Del"},
      {"Ctrl+-", TShortCut(scCtrl | VK_OEM_MINUS), "Ctrl+-"},
      {"F12", TShortCut(VK_F12), "F12"},
      {"Ctrl+Num 5", TShortCut(scCtrl | VK_NUMPAD5), "Ctrl+Num 5"},
      {"Ctrl+", scNone, ""},
      {"Ctrl+Banana", scNone, ""},
      {"", scNone, ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(TextToShortCut(QString::fromLatin1(c.Text)), c.ShortCut);
    EXPECT_EQ(ShortCutToText(c.ShortCut), QString::fromLatin1(c.Canonical));
  }
  EXPECT_EQ(ShortCutToText(TShortCut(scCtrl | 0xFF)), QString());  // a key without a name
  Word key = 0;
  TShiftState shift;
  ShortCutToKey(ShortCut('K', TShiftState{ssCtrl, ssAlt, ssLeft}), key, shift);
  EXPECT_EQ(key, 'K');
  EXPECT_EQ(shift, (TShiftState{ssCtrl, ssAlt}));
}

TEST(ShortCutTest, HotkeysOfCaptions) {
  struct TCase {
    const char* Caption;
    const char* Stripped;
    const char* Hotkey;
  };
  const TCase cases[] = {
      {"&File", "File", "F"},           {"Save &As...", "Save As...", "A"}, {"R&&D", "R&D", ""},
      {"&&x&y", "&xy", "y"},            {"End&", "End", ""},                {"", "", ""},
      {"Print Previe&w", "Print Preview", "w"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Caption);
    EXPECT_EQ(StripHotkey(QString::fromLatin1(c.Caption)), QString::fromLatin1(c.Stripped));
    EXPECT_EQ(GetHotkey(QString::fromLatin1(c.Caption)), QString::fromLatin1(c.Hotkey));
  }
  EXPECT_TRUE(IsAccel('W', QStringLiteral("Print Previe&w")));
  EXPECT_FALSE(IsAccel('P', QStringLiteral("Print Previe&w")));
}

// --- items and their Qt menus ---------------------------------------------------

class MenuItemTest : public ::testing::Test {
 protected:
  TComponent Owner{nullptr};
  TPopupMenu* Menu = new TPopupMenu(&Owner);
  QStringList Clicks;
};

TEST_F(MenuItemTest, CaptionsSeparatorsAndShortCutsShowInTheQtMenu) {
  TMenuItem* open = NewItem(&Owner, QStringLiteral("&Open..."));
  open->SetShortCut(TextToShortCut(QStringLiteral("Ctrl+O")));
  Menu->Items()->Add({open, NewItem(&Owner, QStringLiteral("-")), NewItem(&Owner, QStringLiteral("R&&D"))});
  QMenu* qmenu = Menu->QtMenu();
  EXPECT_EQ(ActionTexts(qmenu), (QStringList{"&Open...\tCtrl+O", "-", "R&&D"}));
  EXPECT_TRUE(Menu->Items()->Items(1)->IsLine());
  EXPECT_TRUE(qmenu->actions()[1]->isSeparator());
  open->SetCaption(QStringLiteral("&Open file"));
  open->SetShortCut(scNone);
  EXPECT_EQ(qmenu->actions()[0]->text(), QStringLiteral("&Open file"));
}

TEST_F(MenuItemTest, RadioItemsUncheckTheirGroupAndShowADot) {
  TMenuItem* items[4];
  for (int i = 0; i < 4; ++i) {
    items[i] = NewItem(&Owner, QStringLiteral("Item %1").arg(i));
    items[i]->SetRadioItem(i < 3);
    items[i]->SetGroupIndex(i == 2 ? 2 : 1);
    Menu->Items()->Add(items[i]);
  }
  items[3]->SetChecked(true);  // a plain check item
  items[0]->SetChecked(true);
  items[2]->SetChecked(true);  // another group
  items[1]->SetChecked(true);
  EXPECT_FALSE(items[0]->Checked());
  EXPECT_TRUE(items[1]->Checked());
  EXPECT_TRUE(items[2]->Checked());
  EXPECT_TRUE(items[3]->Checked());
  // What Qt shows: a checked radio item in an exclusive group (the dot), a
  // checked plain item with a check mark, an unchecked item with nothing.
  QAction* radio = items[1]->QtAction();
  EXPECT_TRUE(radio->isCheckable() && radio->isChecked());
  ASSERT_NE(radio->actionGroup(), nullptr);
  EXPECT_TRUE(radio->actionGroup()->isExclusive());
  EXPECT_EQ(items[3]->QtAction()->actionGroup(), nullptr);
  EXPECT_TRUE(items[3]->QtAction()->isChecked());
  EXPECT_FALSE(items[0]->QtAction()->isCheckable());

  // An item checked before it joins the menu turns its new siblings off.
  TMenuItem* late = NewItem(&Owner, QStringLiteral("Late"));
  late->SetRadioItem(true);
  late->SetGroupIndex(1);
  late->SetChecked(true);
  Menu->Items()->Add(late);
  EXPECT_FALSE(items[1]->Checked());
}

TEST_F(MenuItemTest, VisibleEnabledAndDefaultShowInTheQtMenu) {
  TMenuItem* close = NewItem(&Owner, QStringLiteral("Close Tab"), &Clicks);
  TMenuItem* dup = NewItem(&Owner, QStringLiteral("Duplicate Tab"), &Clicks);
  Menu->Items()->Add({close, dup});
  close->SetDefault(true);
  QMenu* qmenu = Menu->QtMenu();
  EXPECT_EQ(qmenu->defaultAction(), close->QtAction());
  EXPECT_TRUE(close->QtAction()->font().bold());
  dup->SetDefault(true);  // one default per menu
  EXPECT_FALSE(close->Default());
  EXPECT_FALSE(close->QtAction()->font().bold());
  EXPECT_EQ(qmenu->defaultAction(), dup->QtAction());

  dup->SetVisible(false);
  close->SetEnabled(false);
  EXPECT_FALSE(dup->QtAction()->isVisible());
  EXPECT_FALSE(close->QtAction()->isEnabled());
  close->Click();  // disabled: nothing
  EXPECT_TRUE(Clicks.isEmpty());
  close->SetEnabled(true);
  close->QtAction()->trigger();
  EXPECT_EQ(Clicks, QStringList{"Close Tab"});
}

TEST_F(MenuItemTest, ItemsAddedAndRemovedAtRunTimeShowInTheQtMenu) {
  TMenuItem* view = NewItem(&Owner, QStringLiteral("&View"));
  Menu->Items()->Add(view);
  EXPECT_EQ(view->QtMenu(), nullptr);
  EXPECT_EQ(view->QtAction()->menu<QMenu*>(), nullptr);

  TMenuItem* a = NewItem(&Owner, QStringLiteral("A"));
  TMenuItem* b = NewItem(&Owner, QStringLiteral("B"));
  TMenuItem* c = NewItem(&Owner, QStringLiteral("C"));
  view->Add(a);
  ASSERT_NE(view->QtMenu(), nullptr);
  EXPECT_EQ(view->QtAction()->menu<QMenu*>(), view->QtMenu());
  view->Add(c);
  view->Insert(1, b);
  EXPECT_EQ(ActionTexts(view->QtMenu()), (QStringList{"A", "B", "C"}));
  c->SetMenuIndex(0);
  EXPECT_EQ(ActionTexts(view->QtMenu()), (QStringList{"C", "A", "B"}));
  EXPECT_EQ(view->IndexOf(b), 2);
  EXPECT_EQ(view->Find(QStringLiteral("a")), a);
  EXPECT_EQ(view->Find(QStringLiteral("&B")), b);
  EXPECT_EQ(view->Find(QStringLiteral("D")), nullptr);

  view->Delete(0);  // taken out, still owned
  EXPECT_EQ(c->Parent(), nullptr);
  EXPECT_EQ(ActionTexts(view->QtMenu()), (QStringList{"A", "B"}));
  view->Remove(a);
  delete b;  // an item deleted on its own leaves its parent
  EXPECT_EQ(view->Count(), 0);
  EXPECT_EQ(view->QtMenu(), nullptr);
  EXPECT_EQ(view->QtAction()->menu<QMenu*>(), nullptr);

  view->Add({a, c});
  view->Clear();  // deletes
  EXPECT_EQ(Owner.ComponentCount(), 2);
}

TEST_F(MenuItemTest, MisplacedItemsAreRefused) {
  TMenuItem* a = NewItem(&Owner, QStringLiteral("A"));
  TMenuItem* b = NewItem(&Owner, QStringLiteral("B"));
  Menu->Items()->Add(a);
  a->Add(b);
  EXPECT_THROW(Menu->Items()->Add(b), EMenuError);     // already has a parent
  EXPECT_THROW(b->Add(a), EMenuError);                 // its own parent
  EXPECT_THROW(a->Add(Menu->Items()), EMenuError);     // a menu's root
  EXPECT_THROW(a->Insert(3, NewItem(&Owner, QStringLiteral("X"))), EMenuError);
  EXPECT_THROW(a->Delete(1), EMenuError);
  EXPECT_THROW(a->Remove(a), EMenuError);
  EXPECT_THROW(a->Items(1), EListError);
  EXPECT_THROW(a->Items(-1), EListError);
}

TEST_F(MenuItemTest, ClickingRunsOnClickAndKeepsTheItemsOwnCheckState) {
  TMenuItem* wrap = NewItem(&Owner, QStringLiteral("Wrap"), &Clicks);
  TMenuItem* plain = NewItem(&Owner, QStringLiteral("Plain"), &Clicks);
  wrap->SetAutoCheck(true);
  Menu->Items()->Add({wrap, plain});
  wrap->QtAction()->trigger();
  EXPECT_TRUE(wrap->Checked());
  EXPECT_TRUE(wrap->QtAction()->isChecked());
  plain->SetChecked(true);
  plain->QtAction()->trigger();  // Qt would toggle it; the item decides
  EXPECT_TRUE(plain->Checked());
  EXPECT_TRUE(plain->QtAction()->isChecked());
  EXPECT_EQ(Clicks, (QStringList{"Wrap", "Plain"}));

  // Opening a sub-menu clicks its item, so the handler can fill it.
  TMenuItem* styles = NewItem(&Owner, QStringLiteral("Appearance"));
  styles->Add(NewItem(&Owner, QStringLiteral("placeholder")));
  styles->OnClick = [&](TObject*) {
    styles->Clear();
    for (const char* name : {"Windows", "Amethyst Kamri"}) styles->Add(NewItem(&Owner, QString::fromLatin1(name)));
  };
  Menu->Items()->Add(styles);
  emit styles->QtMenu()->aboutToShow();
  EXPECT_EQ(ActionTexts(styles->QtMenu()), (QStringList{"Windows", "Amethyst Kamri"}));
}

TEST_F(MenuItemTest, ImagesGiveItemsIcons) {
  TImageList images(nullptr);
  auto bmp = FilledBitmap(32, 16, clRed);
  images.Add(bmp.get(), nullptr);
  TMenuItem* item = NewItem(&Owner, QStringLiteral("Go"));
  item->SetImageIndex(1);
  Menu->Items()->Add(item);
  EXPECT_TRUE(item->QtAction()->icon().isNull());
  Menu->SetImages(&images);
  EXPECT_FALSE(item->QtAction()->icon().isNull());
  item->SetImageIndex(5);  // out of the list: none
  EXPECT_TRUE(item->QtAction()->icon().isNull());
  item->SetImageIndex(0);
  Menu->SetImages(nullptr);
  EXPECT_TRUE(item->QtAction()->icon().isNull());
}

TEST_F(MenuItemTest, FindItemByShortCutAndCommand) {
  TMenuItem* file = NewItem(&Owner, QStringLiteral("&File"));
  TMenuItem* save = NewItem(&Owner, QStringLiteral("&Save"));
  save->SetShortCut(TextToShortCut(QStringLiteral("Ctrl+S")));
  file->Add(save);
  Menu->Items()->Add(file);
  EXPECT_EQ(Menu->FindItem(TextToShortCut(QStringLiteral("Ctrl+S")), fkShortCut), save);
  EXPECT_EQ(Menu->FindItem(save->Command(), fkCommand), save);
  EXPECT_EQ(Menu->FindItem(TextToShortCut(QStringLiteral("Ctrl+Q")), fkShortCut), nullptr);
  EXPECT_NE(file->Command(), save->Command());
}

// --- main menus on forms, shortcuts, pop-up menus -------------------------------

class MenuFormTest : public VclFormTest {
 protected:
  void SetUp() override {
    VclFormTest::SetUp();
    MainMenu = new TMainMenu(Form.get());
    File = NewItem(Form.get(), QStringLiteral("&File"), &Clicks);
    Save = NewItem(Form.get(), QStringLiteral("&Save"), &Clicks);
    Save->SetShortCut(TextToShortCut(QStringLiteral("Ctrl+S")));
    Exit = NewItem(Form.get(), QStringLiteral("E&xit"), &Clicks);
    File->Add({Save, NewItem(Form.get(), QStringLiteral("-")), Exit});
    MainMenu->Items()->Add({File, NewItem(Form.get(), QStringLiteral("&Help"), &Clicks)});
  }

  QStringList Clicks;
  TMainMenu* MainMenu = nullptr;
  TMenuItem* File = nullptr;
  TMenuItem* Save = nullptr;
  TMenuItem* Exit = nullptr;
};

TEST_F(MenuFormTest, TheMenuBarSitsAboveTheClientArea) {
  // Room above the form for the bar (windows stay on the screen).
  Form->SetBounds(10, 60, 400, 300);
  Pump();
  const TRect before = Form->BoundsRect();
  Form->SetMenu(MainMenu);
  Pump();
  QMenuBar* bar = Form->MenuBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(MainMenu->MenuBar(), bar);
  EXPECT_EQ(ActionTexts(bar), (QStringList{"&File", "&Help"}));
  // The form keeps its client area; the window grows by the bar.
  EXPECT_EQ(Form->BoundsRect(), before);
  EXPECT_EQ(Form->ClientHeight(), 300);
  QWidget* frame = Form->WindowFrame();
  ASSERT_NE(frame, Form->Widget());
  EXPECT_TRUE(frame->isVisible());
  EXPECT_EQ(frame->height(), 300 + bar->height());
  RECT window{};
  ASSERT_TRUE(GetWindowRect(Form->Handle(), &window));
  EXPECT_GE(window.bottom - window.top, 300 + bar->height());
  EXPECT_LE(window.top, Form->Top() - bar->height());
  EXPECT_EQ(Form->Widget()->mapTo(frame, QPoint(0, 0)).y(), bar->height());
  EXPECT_GE(bar->height(), 10);
  const QPoint origin = Form->Widget()->mapToGlobal(QPoint(0, 0));
  EXPECT_EQ(TPoint(origin.x(), origin.y()), Form->ClientOrigin());
  // The client's controls are below the bar, in client coordinates.
  EXPECT_EQ(A->Widget()->mapTo(frame, QPoint(0, 0)), QPoint(10, 10 + bar->height()));

  // Items added to the menu at run time appear on the bar.
  TMenuItem* view = NewItem(Form.get(), QStringLiteral("&View"));
  MainMenu->Items()->Insert(1, view);
  EXPECT_EQ(ActionTexts(bar), (QStringList{"&File", "&View", "&Help"}));
  view->SetVisible(false);
  EXPECT_FALSE(bar->actions()[1]->isVisible());
  // Entries of the bar show no shortcut text; their sub-items do.
  EXPECT_EQ(ActionTexts(File->QtMenu()), (QStringList{"&Save\tCtrl+S", "-", "E&xit"}));

  // Resizing the form sizes the window around it.
  Form->SetBounds(20, 30, 500, 320);
  EXPECT_EQ(frame->width(), 500);
  EXPECT_EQ(Form->Widget()->height(), 320);

  // Without the menu the form's widget is the window again.
  Form->SetMenu(nullptr);
  Pump();
  EXPECT_EQ(Form->WindowFrame(), Form->Widget());
  EXPECT_TRUE(Form->Widget()->isWindow());
  EXPECT_TRUE(Form->Widget()->isVisible());
  EXPECT_EQ(Form->BoundsRect(), TRect(20, 30, 520, 350));
  EXPECT_EQ(Form->MenuBar(), nullptr);
}

TEST_F(MenuFormTest, AFormCreatedWithAMenuAndClosedThroughItsWindow) {
  TForm form(nullptr);
  TMainMenu menu(&form);
  menu.Items()->Add(NewItem(&form, QStringLiteral("&File")));
  form.SetMenu(&menu);
  form.SetBounds(50, 60, 240, 120);
  form.SetCaption(QStringLiteral("With menu"));
  ASSERT_TRUE(ShowAndActivate(&form));
  QWidget* frame = form.WindowFrame();
  ASSERT_NE(frame, form.Widget());
  EXPECT_EQ(frame->windowTitle(), QStringLiteral("With menu"));
  EXPECT_TRUE(form.Active());
  EXPECT_EQ(form.ClientWidth(), 240);
  EXPECT_EQ(form.ClientHeight(), 120);
  int asked = 0;
  form.OnCloseQuery = [&](TObject*, bool& canClose) {
    ++asked;
    canClose = true;
  };
  frame->close();
  Pump();
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(frame->isVisible());
  EXPECT_FALSE(form.Visible());
}

TEST_F(MenuFormTest, DeletingTheMenuTakesTheBarAway) {
  Form->SetMenu(MainMenu);
  ASSERT_NE(Form->MenuBar(), nullptr);
  delete MainMenu;
  Pump();
  EXPECT_EQ(Form->Menu(), nullptr);
  EXPECT_EQ(Form->MenuBar(), nullptr);
  EXPECT_TRUE(Form->Widget()->isWindow());
}

TEST_F(MenuFormTest, ShortCutsWorkWhileAChildHasTheFocus) {
  Form->SetMenu(MainMenu);
  Pump();
  ASSERT_TRUE(vcltest::ShowAndActivate(Form.get()));
  B->SetFocus();
  Pump();
  Events.clear();
  Key('S', TShiftState{ssCtrl});
  EXPECT_EQ(Clicks, QStringList{"Save"});
  // The key was the menu's: the control saw only the Ctrl key.
  EXPECT_FALSE(Events.filter(QStringLiteral("KeyDown 83")).size() > 0) << Events.join('\n').toStdString();

  // A disabled item leaves the key to the control; a hidden one still works.
  Save->SetEnabled(false);
  Events.clear();
  Key('S', TShiftState{ssCtrl});
  EXPECT_EQ(Clicks, QStringList{"Save"});
  EXPECT_EQ(Events.filter(QStringLiteral("b KeyDown 83")).size(), 1);
  Save->SetEnabled(true);
  Save->SetVisible(false);
  Key('S', TShiftState{ssCtrl});
  EXPECT_EQ(Clicks, (QStringList{"Save", "Save"}));

  // OnShortCut comes first and may take the key.
  Form->OnShortCut = [&](TWMKey& Msg, bool& Handled) { Handled = Msg.CharCode() == 'S'; };
  Key('S', TShiftState{ssCtrl});
  EXPECT_EQ(Clicks.size(), 2);
  // Without Ctrl it is no shortcut.
  Form->OnShortCut = nullptr;
  Key('S');
  EXPECT_EQ(Clicks.size(), 2);
}

TEST_F(MenuFormTest, RightClickShowsThePopupMenuThroughTheService) {
  testsupport::FakePopupMenus popups;
  auto* popup = new TPopupMenu(Form.get());
  QStringList popped;
  popup->OnPopup = [&](TObject*) { popped << "popup"; };
  TMenuItem* sortBy = NewItem(Form.get(), QStringLiteral("Sort &by"));
  sortBy->Add({NewItem(Form.get(), QStringLiteral("&Name"), &Clicks), NewItem(Form.get(), QStringLiteral("&Date"), &Clicks)});
  popup->Items()->Add({NewItem(Form.get(), QStringLiteral("&Refresh"), &Clicks), sortBy});
  B->SetPopupMenu(popup);

  popups.Choices << QStringLiteral("Sort by|date");
  Click(B, 20, 30, mbRight);
  ASSERT_EQ(popups.Requests.size(), 1);
  EXPECT_EQ(popups.Requests[0].Menu, popup);
  const TPoint screen = B->ClientToScreen(TPoint(20, 30));
  EXPECT_EQ(popups.Requests[0].X, screen.X);
  EXPECT_EQ(popups.Requests[0].Y, screen.Y);
  EXPECT_EQ(popups.Requests[0].Captions, (QStringList{"&Refresh", "Sort &by"}));
  EXPECT_EQ(Clicks, QStringList{"Date"});
  EXPECT_EQ(popped, QStringList{"popup"});
  EXPECT_EQ(popup->PopupComponent(), B);
  EXPECT_EQ(popup->PopupPoint(), screen);

  // Dismissed: nothing clicked. A left click shows nothing.
  Click(B, 20, 30, mbRight);
  Click(B, 20, 30);
  EXPECT_EQ(popups.Requests.size(), 2);
  EXPECT_EQ(Clicks, QStringList{"Date"});

  // OnContextPopup may handle the click itself; without AutoPopup nothing
  // shows.
  B->OnContextPopup = [&](TObject*, TPoint MousePos, bool& Handled) {
    popped << QStringLiteral("context %1,%2").arg(MousePos.X).arg(MousePos.Y);
    Handled = true;
  };
  Click(B, 5, 6, mbRight);
  B->OnContextPopup = nullptr;
  popup->SetAutoPopup(false);
  Click(B, 5, 6, mbRight);
  EXPECT_EQ(popups.Requests.size(), 2);
  EXPECT_EQ(popped, (QStringList{"popup", "popup", "context 5,6"}));
}

TEST_F(MenuFormTest, AControlWithoutAMenuPassesTheRightClickToItsParent) {
  testsupport::FakePopupMenus popups;
  auto* popup = new TPopupMenu(Form.get());
  popup->Items()->Add(NewItem(Form.get(), QStringLiteral("Form item"), &Clicks));
  Form->SetPopupMenu(popup);
  popups.Choices << QStringLiteral("Form item") << QStringLiteral("Form item");
  Click(C, 3, 4, mbRight);
  ASSERT_EQ(popups.Requests.size(), 1);
  EXPECT_EQ(popup->PopupComponent(), Form.get());
  EXPECT_EQ(Clicks, QStringList{"Form item"});

  // A windowless control with its own menu takes the click first.
  auto* label = new TGraphicControl(Form.get());
  label->SetBounds(10, 200, 80, 20);
  label->SetParent(Form.get());
  auto* own = new TPopupMenu(Form.get());
  own->Items()->Add(NewItem(Form.get(), QStringLiteral("Label item"), &Clicks));
  label->SetPopupMenu(own);
  popups.Choices.prepend(QStringLiteral("Label item"));
  Click(label, 5, 5, mbRight);
  ASSERT_EQ(popups.Requests.size(), 2);
  EXPECT_EQ(popups.Requests[1].Menu, own);
  EXPECT_EQ(own->PopupComponent(), label);
  EXPECT_EQ(Clicks, (QStringList{"Form item", "Label item"}));

  // Deleting a pop-up menu clears the controls that use it.
  delete own;
  EXPECT_EQ(label->PopupMenu(), nullptr);
  Click(label, 5, 5, mbRight);  // now the form's
  EXPECT_EQ(popups.Requests.size(), 3);
  EXPECT_EQ(popups.Requests[2].Menu, popup);
}

TEST_F(MenuFormTest, PopupMenuShortCutsWorkForTheirControl) {
  auto* popup = new TPopupMenu(Form.get());
  TMenuItem* copy = NewItem(Form.get(), QStringLiteral("&Copy"), &Clicks);
  copy->SetShortCut(TextToShortCut(QStringLiteral("Ctrl+C")));
  popup->Items()->Add(copy);
  B->SetPopupMenu(popup);
  A->SetFocus();
  Pump();
  Key('C', TShiftState{ssCtrl});
  EXPECT_TRUE(Clicks.isEmpty());
  B->SetFocus();
  Pump();
  Key('C', TShiftState{ssCtrl});
  EXPECT_EQ(Clicks, QStringList{"Copy"});
}

// The entry's click runs as its menu opens; a menu that makes its items
// anew there (a list of styles does) opens with the new items.
TEST_F(MenuFormTest, AMenuRebuiltAsItOpensOpensWithItsNewItems) {
  TMenuItem* styles = NewItem(Form.get(), QStringLiteral("Appearance"));
  int openings = 0;
  styles->OnClick = [&](TObject*) {
    ++openings;
    styles->Clear();
    for (int i = 0; i < 3; ++i) {
      TMenuItem* item = NewItem(Form.get(), QStringLiteral("Style %1.%2").arg(openings).arg(i), &Clicks);
      item->SetChecked(i == 1);
      styles->Add(item);
    }
  };
  styles->Click();  // filled once, so that it opens as a menu
  MainMenu->Items()->Add(styles);
  Form->SetMenu(MainMenu);
  ASSERT_TRUE(ShowAndActivate(Form.get()));

  ASSERT_TRUE(ClickMenuItem(styles));
  QMenu* open = OpenMenu();
  ASSERT_NE(open, nullptr);
  EXPECT_EQ(open, styles->QtMenu());
  EXPECT_EQ(openings, 2);
  EXPECT_EQ(ActionTexts(open), (QStringList{"Style 2.0", "Style 2.1", "Style 2.2"}));
  EXPECT_TRUE(open->actions()[1]->isChecked());
  // Choosing an item runs it and closes the menu.
  ASSERT_TRUE(ClickMenuItem(styles->Items(2)));
  EXPECT_EQ(Clicks, QStringList{"Style 2.2"});
  EXPECT_EQ(OpenMenu(), nullptr);
  // It opens again, as often as asked.
  ASSERT_TRUE(ClickMenuItem(styles));
  ASSERT_NE(OpenMenu(), nullptr);
  EXPECT_EQ(ActionTexts(OpenMenu()), (QStringList{"Style 3.0", "Style 3.1", "Style 3.2"}));
  Key(VK_ESCAPE);
  EXPECT_EQ(OpenMenu(), nullptr);
}

// What an open menu shows, in every style: a line item is a line (no "-"
// text on it), a checked item has its mark and an unchecked one none.
TEST_F(MenuFormTest, LinesAndCheckMarksShowInTheOpenMenu) {
  Save->SetChecked(true);
  Form->SetMenu(MainMenu);
  ASSERT_TRUE(ShowAndActivate(Form.get()));
  const QString before = TStyleManager::ActiveStyle().Name();
  for (const char* style : {"Windows", "Luna", "Cyan Night"}) {
    SCOPED_TRACE(style);
    TStyleManager::SetStyle(QString::fromLatin1(style));
    Pump();
    ASSERT_TRUE(ClickMenuItem(File));
    QMenu* open = OpenMenu();
    ASSERT_NE(open, nullptr);
    const QImage shown = open->grab().toImage();
    const QList<QAction*> actions = open->actions();
    ASSERT_EQ(actions.size(), 3);
    const QRect saveRow = open->actionGeometry(actions[0]);
    const QRect lineRow = open->actionGeometry(actions[1]);
    const QRect exitRow = open->actionGeometry(actions[2]);
    const TColor bg = Px(shown, lineRow.right() - 3, lineRow.top());
    // The line: every mark in its row runs across most of the menu.
    const QRect inner = lineRow.adjusted(3, 0, -3, 0);  // inside the menu's frame
    int lineRows = 0;
    for (int y = inner.top(); y <= inner.bottom(); ++y) {
      int marked = 0;
      for (int x = inner.left(); x <= inner.right(); ++x) marked += Px(shown, x, y) != bg;
      EXPECT_TRUE(marked == 0 || marked > inner.width() / 2) << "row " << y << ": " << marked << " marks";
      lineRows += marked > 0;
    }
    EXPECT_GE(lineRows, 1);
    // The check mark's square at the start of the row, left of the captions.
    auto checkColumn = [&](const QRect& Row) {
      return shown.copy(QRect(Row.left() + 2, Row.top() + 2, Row.height() - 4, Row.height() - 4));
    };
    EXPECT_FALSE(Ink(checkColumn(saveRow), Px(shown, saveRow.right() - 3, saveRow.center().y())).isEmpty());
    EXPECT_TRUE(Ink(checkColumn(exitRow), Px(shown, exitRow.right() - 3, exitRow.center().y())).isEmpty());
    Key(VK_ESCAPE);
    ASSERT_EQ(OpenMenu(), nullptr);
  }
  TStyleManager::SetStyle(before);
}

}  // namespace
