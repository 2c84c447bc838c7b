// The main window's components: tool buttons, menus, panels and dialogs as
// built, the bars the View menu toggles, navigation from the address bar,
// the menus and the tool buttons, the about box and the add-HTML dialog.

#include <gtest/gtest.h>

#include <QPainter>
#include <QTimer>

#include "app/SiteHosts.h"
#include "app/uAddHTML.h"
#include "app/uSplashScreen.h"
#include "platform/vcl/Themes.h"
#include "platform/win32/WinUser.h"
#include "tests/app/window/WindowSupport.h"
#include "tests/support/PixelProbes.h"

using namespace windowtest;

namespace {

template <class T>
T* Find(TComponent* Owner, const char* Name) {
  return dynamic_cast<T*>(Owner->FindComponent(QString::fromLatin1(Name)));
}

struct ButtonCase {
  const char* Name;
  const char* Bar;
  const char* Caption;
  const char* Hint;
  int Image;
  bool Visible;
  TToolButtonStyle Style;
};

const ButtonCase kButtons[] = {
    {"ToolbtnBack", "tbarNav", "Back", "Navigate Back", 4, true, tbsButton},
    {"ToolBtnForward", "tbarNav", "Forward", "Navigate Forward", 3, true, tbsButton},
    {"ToolBtnStop", "tbarNav", " Stop", "Stop loading", 0, true, tbsButton},
    {"ToolBtnRefresh", "tbarNav", "Refresh", "Refresh Active Tab", 2, true, tbsButton},
    {"ToolBtnHome", "tbarNav", "Home", "", 1, true, tbsButton},
    {"ToolBtnSearch", "tbarNav", "Search", "Search...", 5, false, tbsButton},
    {"ToolBtnFavorites", "tbarNav", "Favorites", "Show Favorites", 7, false, tbsButton},
    {"ToolbtnTFN", "tbarNav", "FR-PJ", "", 7, true, tbsButton},
    {"btnPix", "tbarNav", "Pix", "", 10, false, tbsCheck},
    {"tbSplitScreen", "tbarNav", "50%", "Split in two", 9, true, tbsCheck},
    {"btnTimer", "tbarNav", "Timer", "Number of seconds between scrapes", 13, true, tbsDropDown},
    {"ToolButton12", "tbarNav", "Data", "", 12, true, tbsDropDown},
    {"ToolButton13", "tbarNav", "", "", 13, false, tbsButton},
    {"btnQuickCapture", "ToolBar3", "Quick", "", -1, false, tbsCheck},
    {"btnCapture", "ToolBar3", "Capture", "", 8, true, tbsButton},
    {"ToolButton6", "ToolBar2", "DD", "Remove duplicates", 9, true, tbsButton},
    {"ToolButton2", "ToolBar2", "Save to CSV (text file)", "", 2, true, tbsTextButton},
    {"ToolButton3", "ToolBar2", "", "", 4, false, tbsButton},
    {"ToolButton7", "ToolBar2", "btnClear", "Clear All Lines", 10, true, tbsButton},
    {"ToolButton5", "ToolBar1", "Save to XLS (cells can be edited first)", "", 8, true, tbsButton},
};

// The visible buttons of the navigation bar, left to right ("|" a separator).
const char* const kNavOrder[] = {"ToolbtnBack", "ToolBtnForward", "ToolBtnStop", "|", "ToolBtnRefresh",
                                 "ToolBtnHome", "|", "ToolbtnTFN", "|", "|", "tbSplitScreen", "|",
                                 "btnTimer", "|", "ToolButton12"};

struct ItemCase {
  const char* Name;
  const char* Parent;
  const char* Caption;
  bool Visible;
};

const ItemCase kItems[] = {
    {"File1", "", "&File", true},
    {"TFNStartPage1", "File1", "Go to Start Page (TFN) ", true},
    {"Open1", "File1", "&Open...", false},
    {"SaveAs1", "File1", "&Save As...", false},
    {"Print1", "File1", "&Print...", false},
    {"PrintPreview1", "File1", "Print Previe&w", false},
    {"PageSetup1", "File1", "Page &Setup", false},
    {"Properties1", "File1", "P&roperties", false},
    {"OfflineMode1", "File1", "O&ffline Mode", false},
    {"Exit1", "File1", "&Exit", true},
    {"Edit2", "", "&Edit", false},
    {"Cut1", "Edit2", "&Cut", false},
    {"Copy1", "Edit2", "Cop&y", true},
    {"Paste1", "Edit2", "&Paste", false},
    {"SelectAll1", "Edit2", "Select &All", true},
    {"Search1", "Edit2", "&Search (Current Page)...", true},
    {"View1", "", "&View", true},
    {"ViewSource1", "View1", "&Source Code", false},
    {"Encoding1", "View1", "Encoding", false},
    {"TextSize1", "View1", "Text Size", false},
    {"DesignMode1", "View1", "&Design Mode (beta)", false},
    {"Addressbar1", "View1", "Address bar", true},
    {"Navigationbar1", "View1", "Navigation bar", true},
    {"Extras1", "", "&Extras", false},
    {"AddHTML1", "Extras1", "&Add HTML...", true},
    {"Cookies1", "Extras1", "Cookies", true},
    {"InternetOptions1", "Extras1", "Internet &Options...", true},
    {"Interface1", "", "Appearance", true},
    {"Help1", "", "Help", true},
    {"Getsupport1", "Help1", "Get support", true},
    {"VisitTFNonline1", "Help1", "Visit TFN on line", true},
    {"AboutTFN1", "Help1", "About TFN...", true},
    {"CloseTab1", "", "Close Tab", true},
    {"DuplicateTab1", "", "Duplicate Tab", true},
    {"Removeduplicates1", "", "Remove duplicates", true},
    {"Emptydatagrid1", "", "Empty data grid", true},
};

QStringList Captions(TMenuItem* Parent) {
  QStringList out;
  for (int i = 0; i < Parent->Count(); ++i) out << Parent->Items(i)->Caption();
  return out;
}

}  // namespace

TEST(MainWindowControls, ToolButtonsAreBuiltAsListed) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  for (const ButtonCase& c : kButtons) {
    SCOPED_TRACE(c.Name);
    auto* b = Find<TToolButton>(w, c.Name);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->Owner(), w);
    ASSERT_TRUE(b->Parent());
    EXPECT_EQ(b->Parent()->Name(), QString::fromLatin1(c.Bar));
    EXPECT_EQ(b->Caption(), QString::fromUtf8(c.Caption));
    EXPECT_EQ(b->Hint(), QString::fromUtf8(c.Hint));
    EXPECT_EQ(b->ImageIndex(), c.Image);
    EXPECT_EQ(b->Visible(), c.Visible);
    EXPECT_EQ(b->Style(), c.Style);
  }
  QStringList order;
  for (int i = 0; i < w->tbarNav->ButtonCount(); ++i) {
    TToolButton* b = w->tbarNav->Buttons(i);
    if (!b->Visible()) continue;
    order << (b->IsSeparator() ? QStringLiteral("|") : b->Name());
  }
  QStringList expected;
  for (const char* name : kNavOrder) expected << QString::fromLatin1(name);
  EXPECT_EQ(order, expected);
  EXPECT_EQ(w->btnTimer->DropdownMenu(), w->PopTimer);
  EXPECT_EQ(w->ToolButton12->DropdownMenu(), w->popData);

  // The bars and their pictures.
  EXPECT_EQ(w->tbarNav->ButtonWidth(), 75);
  EXPECT_EQ(w->tbarNav->ButtonHeight(), 45);
  EXPECT_TRUE(w->tbarNav->ShowCaptions());
  EXPECT_EQ(w->tbarNav->Parent(), w->CoolBarMainIcons);
  EXPECT_EQ(w->ToolBar2->ButtonWidth(), 135);
  EXPECT_EQ(w->ToolBar1->ButtonWidth(), 210);
  for (TToolBar* bar : {w->ToolBar3, w->ToolBar2, w->ToolBar1}) {
    EXPECT_TRUE(bar->ShowCaptions()) << bar->Name().toStdString();
    EXPECT_TRUE(bar->List()) << bar->Name().toStdString();
  }
  EXPECT_EQ(w->tbarNav->Images(), w->ImageList1);
  EXPECT_EQ(w->ToolBar3->Images(), w->ImageList1);
  EXPECT_EQ(w->ToolBar2->Images(), w->ImageList2);
  EXPECT_EQ(w->ImageList1->Width(), 24);
  EXPECT_EQ(w->ImageList1->Count(), 14);
  EXPECT_EQ(w->ImageList2->Count(), 11);
}

TEST(MainWindowControls, MenusPanelsAndDialogsAreBuiltAsListed) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  EXPECT_EQ(w->Menu(), w->MainMenu1);
  for (const ItemCase& c : kItems) {
    SCOPED_TRACE(c.Name);
    auto* item = Find<TMenuItem>(w, c.Name);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->Caption(), QString::fromUtf8(c.Caption));
    EXPECT_EQ(item->Visible(), c.Visible);
    if (*c.Parent) {
      ASSERT_TRUE(item->Parent());
      EXPECT_EQ(item->Parent()->Name(), QString::fromLatin1(c.Parent));
    }
  }
  EXPECT_EQ(Captions(w->MainMenu1->Items()),
            QStringList({"&File", "&Edit", "&View", "&Extras", "Appearance", "Help"}));
  EXPECT_EQ(Captions(w->File1), QStringList({"Go to Start Page (TFN) ", w->Goto1->Caption(), "-", "&Open...",
                                             "&Save As...", "-", "&Print...", "Print Previe&w", "Page &Setup", "-",
                                             "P&roperties", "-", "O&ffline Mode", "&Exit"}));
  EXPECT_EQ(Captions(w->Help1), QStringList({"Get support", "Visit TFN on line", "-", "About TFN..."}));
  EXPECT_EQ(Captions(w->Encoding1),
            QStringList({"Automatic", "Central European (ISO)", "Western European (ISO)", "Unicode (UTF-8)",
                         "Arabic (Windows)", "Baltic (Windows)", "Chinese Simplified (GB2312)",
                         "Chinese Traditional (Big5)", "Greek (Windows)", "Korean (ISO)", "Thai (Windows)",
                         "Turkish (Windows)"}));
  EXPECT_TRUE(w->Encoding1->Items(0)->RadioItem());
  EXPECT_EQ(Captions(w->TextSize1), QStringList({"Largest", "Large", "Medium", "Small", "Smallest"}));
  EXPECT_TRUE(w->CloseTab1->Default());
  EXPECT_EQ(w->PageControl->PopupMenu(), w->PCPopup);
  QStringList timerHints;
  for (int i = 0; i < w->PopTimer->Items()->Count(); ++i) timerHints << w->PopTimer->Items()->Items(i)->Hint();
  EXPECT_EQ(Captions(w->PopTimer->Items()),
            QStringList({"1 second", "3 seconds", "5 seconds", "10 seconds", "15 seconds", "30 seconds",
                         "60 seconds", "Clear internet cookies"}));
  EXPECT_EQ(timerHints, QStringList({"1", "3", "5", "10", "15", "30", "60", ""}));

  // Status bar: five panels, and it holds the progress bar.
  const struct {
    int Width;
    TAlignment Alignment;
    TStatusPanelStyle Style;
  } panels[] = {{250, taRightJustify, psText},
                {200, taLeftJustify, psText},
                {250, taCenter, psText},
                {50, taLeftJustify, psOwnerDraw},
                {50, taLeftJustify, psText}};
  ASSERT_EQ(w->StatusBar1->Panels()->Count(), 5);
  for (int i = 0; i < 5; ++i) {
    TStatusPanel* p = w->StatusBar1->Panels()->Items(i);
    EXPECT_EQ(p->Width(), panels[i].Width) << i;
    EXPECT_EQ(p->Alignment(), panels[i].Alignment) << i;
    EXPECT_EQ(p->Style(), panels[i].Style) << i;
  }
  EXPECT_TRUE(w->StatusBar1->ControlStyle().Contains(csAcceptsControls));
  EXPECT_FALSE(::TStatusBar(nullptr).ControlStyle().Contains(csAcceptsControls));
  EXPECT_EQ(w->ProgressBar1->Parent(), w->StatusBar1);

  // Tabs.
  const struct {
    TTabSheet* Sheet;
    const char* Caption;
    bool Shown;
  } tabs[] = {{w->TabSheet1, "WebBrowser", true},        {w->TabSheet2, "Parsing Info", false},
              {w->tbResults, "CSV Results (text)", true}, {w->tbSaveToExcel, "MS Excel View", true},
              {w->tbExtras, "Extras", false},             {w->tbDesign, "Design", false},
              {w->tbOptions, "Options", false}};
  for (const auto& t : tabs) {
    EXPECT_EQ(t.Sheet->Caption(), QString::fromLatin1(t.Caption));
    EXPECT_EQ(t.Sheet->TabVisible(), t.Shown) << t.Caption;
  }
  EXPECT_EQ(w->PageControl1->Align(), alRight);
  EXPECT_EQ(w->Splitter1->Align(), alRight);
  EXPECT_EQ(w->Splitter1->Width(), 5);
  EXPECT_LT(w->Splitter1->Left(), w->PageControl1->Left());

  // Address panel, capture bar and results memo.
  EXPECT_EQ(w->pnAddress->Height(), 38);
  EXPECT_EQ(w->btnGo->Caption(), QStringLiteral("GO"));
  EXPECT_EQ(w->btnGo->Hint(), QStringLiteral("Navigate to a Webpage"));
  for (TControl* hidden : std::initializer_list<TControl*>{w->lbSearch, w->edSearch, w->btnSearch, w->ButtonedEdit1,
                                                           w->ButtonedEdit2, w->btnSuchen, w->mmParser, w->Memo1})
    EXPECT_FALSE(hidden->Visible()) << hidden->Name().toStdString();
  EXPECT_EQ(w->ButtonedEdit1->Text(), QStringLiteral("Was suchen Sie?"));
  EXPECT_EQ(w->ButtonedEdit2->Text(), QStringLiteral("Wo?"));
  EXPECT_EQ(w->btnSuchen->Caption(), QStringLiteral("SUCHEN..."));
  EXPECT_EQ(w->lbCountry->Color(), clYellow);
  EXPECT_EQ(w->lbCountry->Font()->Name(), QStringLiteral("Arial"));
  EXPECT_TRUE(w->lbCountry->Font()->Style().Contains(fsBold));
  EXPECT_EQ(w->lbCountry->Parent(), w->ToolBar3);
  EXPECT_EQ(w->EdNumberofLeads->Width(), 150);
  EXPECT_EQ(w->EdNumberofLeads->Align(), alRight);
  EXPECT_TRUE(w->EdNumberofLeads->ReadOnly());
  EXPECT_EQ(w->EdNumberofLeads->Alignment(), taCenter);
  EXPECT_TRUE(w->EdNumberofLeads->Widget()->font().bold());
  EXPECT_EQ(w->Widget()->font().family(), QStringLiteral("Arial"));
  EXPECT_EQ(w->Widget()->font().pixelSize(), 11);
  EXPECT_TRUE(w->mmResults->ReadOnly());
  EXPECT_TRUE(w->mmResults->Enabled());  // every line can be scrolled to
  EXPECT_EQ(w->mmResults->ScrollBars(), ssBoth);
  EXPECT_FALSE(w->mmResults->WordWrap());
  EXPECT_TRUE(w->KeyPreview());
  EXPECT_TRUE(w->Timer1->Enabled());

  // Dialogs.
  EXPECT_EQ(w->SaveDialog1->DefaultExt(), QStringLiteral("csv"));
  EXPECT_EQ(w->SaveDialog1->FileName(), QStringLiteral("tfn1.csv"));
  EXPECT_EQ(w->SaveDialog1->Filter(), QStringLiteral("CSV database or excel text file|*.csv|Text file|*.txt"));
  EXPECT_EQ(w->SaveDialog1->Title(), QStringLiteral("Save data as..."));
  EXPECT_EQ(w->OpenDialog1->Filter(),
            QStringLiteral("HTML File (*.htm, *.html)|*.htm; *.html|MS Word Document (*.doc)|*.doc|"
                           "MS Excel (*.xls)|*.xls|MS Powerpoint (*.ppt)|*.ppt"));
}

TEST(MainWindowControls, ViewMenuTogglesTheBars) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  const struct {
    TMenuItem* Item;
    TControl* Bar;
  } cases[] = {{w->Addressbar1, w->pnAddress}, {w->Navigationbar1, w->tbarNav}};
  for (const auto& c : cases) {
    ASSERT_TRUE(c.Bar->Visible());
    c.Item->Click();
    EXPECT_FALSE(c.Bar->Visible()) << c.Item->Name().toStdString();
    c.Item->Click();
    EXPECT_TRUE(c.Bar->Visible()) << c.Item->Name().toStdString();
  }
}

TEST(MainWindowControls, NavigatesFromTheAddressBarMenusAndButtons) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  TSuperBrowser* browser = w->webbrowser1;
  tools::DirectoryServer& server = *env->Server;
  ASSERT_TRUE(vcltest::ShowAndActivate(w));

  // GO with an empty edit does nothing (the event log stays too).
  const QString results = server.ResultsUrl(QStringLiteral("plombier"), QStringLiteral("paris"), 1);
  browser->Navigate(results);
  ASSERT_TRUE(WaitForTitle(browser, QStringLiteral("Plombier Paris - page 1")));
  const QString before = browser->URL();
  w->lstEventLog->Items()->Add(QStringLiteral("event"));
  w->edURL->SetText(QString());
  w->btnGo->Click();
  enginetest::PumpUntil([] { return false; }, 300);
  EXPECT_EQ(browser->URL(), before);
  EXPECT_EQ(w->lstEventLog->Items()->Count(), 1);

  // GO navigates to the edit's address and empties the event log.
  w->edURL->SetText(results);
  w->btnGo->Click();
  EXPECT_TRUE(WaitForUrl(browser, results));
  EXPECT_EQ(w->lstEventLog->Items()->Count(), 0);

  // Enter in the edit runs GO and goes no further.
  const QString page2 = server.ResultsUrl(QStringLiteral("plombier"), QStringLiteral("paris"), 2);
  w->edURL->SetFocus();
  w->edURL->SetText(page2);
  vcltest::Key(VK_RETURN);
  EXPECT_TRUE(WaitForUrl(browser, page2));
  EXPECT_EQ(w->edURL->Text(), page2);

  // A double click selects the whole address.
  vcltest::DblClick(w->edURL, 5, 5);
  EXPECT_EQ(w->edURL->SelLength(), page2.size());

  // Menus, buttons and the country label.
  const QString root = server.Url(QString());
  const struct {
    const char* What;
    std::function<void()> Action;
    QString Url;
  } cases[] = {
      {"Go to", [&] { w->Goto1->Click(); }, w->Goto1->Hint()},
      {"Get support", [&] { w->Getsupport1->Click(); }, root + QStringLiteral("/contact.php")},
      {"Visit TFN on line", [&] { w->VisitTFNonline1->Click(); }, root + QStringLiteral("/")},
      {"country label", [&] { w->lbCountry->Click(); }, root + QStringLiteral("/welcome2FR.html")},
      {"TFN button", [&] { w->ToolbtnTFN->Click(); }, QStringLiteral("http://") + DirectoryHost() + QStringLiteral("/")},
  };
  for (const auto& c : cases) {
    browser->Navigate(results);
    ASSERT_TRUE(WaitForUrl(browser, results)) << c.What;
    c.Action();
    EXPECT_TRUE(WaitForUrl(browser, c.Url)) << c.What << ": " << browser->URL().toStdString();
  }
  EXPECT_EQ(w->Goto1->Hint(), root + QStringLiteral("/"));
  EXPECT_NE(w->Goto1->Caption(), QStringLiteral("Go to ") + w->Goto1->Hint());

  // Back and Forward walk the history.
  const QString title1 = QStringLiteral("Plombier Paris - page 1");
  const QString title2 = QStringLiteral("Plombier Paris - page 2");
  browser->Navigate(results);
  ASSERT_TRUE(WaitForTitle(browser, title1));
  browser->Navigate(page2);
  ASSERT_TRUE(WaitForTitle(browser, title2));
  w->ToolbtnBack->Click();
  EXPECT_TRUE(WaitForTitle(browser, title1));
  EXPECT_EQ(browser->URL(), results);
  w->ToolBtnForward->Click();
  EXPECT_TRUE(WaitForTitle(browser, title2));
  EXPECT_EQ(browser->URL(), page2);

  // Refresh enables " Stop"; a change of the centre tab disables Back and
  // Forward.
  w->ToolBtnStop->SetEnabled(false);
  w->ToolBtnRefresh->Click();
  EXPECT_TRUE(w->ToolBtnStop->Enabled());
  w->PageControlChange(w->PageControl);
  EXPECT_FALSE(w->ToolbtnBack->Enabled());
  EXPECT_FALSE(w->ToolBtnForward->Enabled());
  w->ToolbtnBack->SetEnabled(true);
  w->ToolBtnForward->SetEnabled(true);
}

TEST(MainWindowControls, AboutBoxAndAddHtmlDialog) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  testsupport::FakeMessageDialogs dialogs;
  w->AboutTFN1->Click();
  ASSERT_EQ(dialogs.Requests.size(), 1);
  EXPECT_EQ(dialogs.Requests[0].Text,
            QStringLiteral("Tallowfinch\r------------------------------------\rTFN ") + VERSION);
  EXPECT_EQ(dialogs.Requests[0].DlgType, mtInformation);
  EXPECT_EQ(dialogs.Requests[0].Buttons, QList<TModalResult>({mrOk}));

  w->ToolBtnFavorites->Click();
  ASSERT_EQ(dialogs.Requests.size(), 2);
  EXPECT_EQ(dialogs.Requests[1].Text, QStringLiteral("not yet implemented"));

  // Each button closes the modal dialog, which goes away afterwards.
  for (int button = 1; button <= 3; ++button) {
    SCOPED_TRACE(button);
    const int forms = Screen->FormCount();
    QString caption;
    QStringList lines;
    bool modal = false;
    QTimer::singleShot(0, [&] {
      if (!AddHTMLDialog) return;
      caption = AddHTMLDialog->Caption();
      lines = AddHTMLDialog->Memo1->Lines()->Text().split(QStringLiteral("\r\n"));
      modal = AddHTMLDialog->FormState().Contains(fsModal);
      TButton* buttons[] = {AddHTMLDialog->Button1, AddHTMLDialog->Button2, AddHTMLDialog->Button3};
      buttons[button - 1]->Click();
    });
    w->AddHTML1->Click();
    EXPECT_EQ(caption, QStringLiteral("Add HTML"));
    EXPECT_EQ(lines, QStringList({"<html><h1>Hello World!</h1></html>", "", ""}));
    EXPECT_TRUE(modal);
    EXPECT_EQ(AddHTMLDialog, nullptr);
    EXPECT_TRUE(enginetest::PumpUntil([&] { return Screen->FormCount() == forms; }, 3000));
  }
}

TEST(MainWindowControls, StatusWindowIsBuiltAndHidesOnAClick) {
  ASSERT_TRUE(Shared());
  auto window = std::make_unique<TfrmSplashScreen>(nullptr);
  TfrmSplashScreen* s = window.get();
  EXPECT_EQ(s->Caption(), QStringLiteral("TFN-SplashScreen"));
  EXPECT_EQ(s->BorderStyle(), bsNone);
  EXPECT_EQ(s->FormStyle(), fsStayOnTop);
  EXPECT_EQ(s->Position(), poDesktopCenter);
  EXPECT_EQ(s->ClientWidth(), 394);
  EXPECT_EQ(s->ClientHeight(), 169);
  EXPECT_EQ(s->Image1->Left(), 15);
  EXPECT_EQ(s->Image1->Top(), 15);
  EXPECT_EQ(s->lblTitle->Caption(), QStringLiteral("Tallowfinch [TFN]"));
  EXPECT_EQ(s->lblTitle->Font()->Name(), QStringLiteral("Tahoma"));
  EXPECT_EQ(s->lblMessages->Font()->Name(), QStringLiteral("Tahoma"));
  EXPECT_EQ(s->lblTitle->Font()->Height(), -19);
  EXPECT_EQ(s->lblMessages->Font()->Height(), -11);
  EXPECT_EQ(s->lblMessages->Caption(), QStringLiteral("Initializing..."));
  for (TControl* target : std::initializer_list<TControl*>{s, s->lblMessages, s->Image1}) {
    s->Show();
    vcltest::Pump();
    ASSERT_TRUE(s->Visible());
    target->Click();
    EXPECT_FALSE(s->Visible()) << target->Name().toStdString();
  }
}

// The status window keeps a border of 3 around its 394 x 169 client area:
// the window is 400 x 175, its picture, labels and clicks sit inside.
TEST(MainWindowControls, StatusWindowHasABorderOfThree) {
  ASSERT_TRUE(Shared());
  auto window = std::make_unique<TfrmSplashScreen>(nullptr);
  TfrmSplashScreen* s = window.get();
  EXPECT_EQ(s->BorderWidth(), 3);
  EXPECT_EQ(s->Width(), 400);
  EXPECT_EQ(s->Height(), 175);
  s->Show();
  vcltest::Pump();
  EXPECT_EQ(s->ClientWidth(), 394);
  EXPECT_EQ(s->ClientHeight(), 169);
  EXPECT_EQ(s->ClientArea(), TRect(3, 3, 397, 172));
  const QImage shot = s->WindowFrame()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QString path = OutputFolder() + QStringLiteral("/status-window.png");
  EXPECT_TRUE(shot.save(path, "PNG"));
  ASSERT_EQ(shot.size(), QSize(400, 175));
  // The ring is the window's face colour all round.
  const uint32_t face = uint32_t(StyleServices().GetSystemColor(clBtnFace));
  const int ring = 400 * 175 - 394 * 169;
  QImage outside = shot.copy();
  QPainter(&outside).fillRect(QRect(3, 3, 394, 169), QColor(1, 2, 3));
  EXPECT_EQ(probe::Count(outside, probe::IsBgr(face)), ring);
  const QRect ink = probe::Box(shot, probe::NotBgr(face));
  ASSERT_FALSE(ink.isEmpty());
  // A click on the ring is no click on the window; inside it hides it.
  vcltest::ClickWidget(s->Widget(), 1, 1);
  EXPECT_TRUE(s->Visible());
  vcltest::ClickWidget(s->Widget(), 5, 5);
  EXPECT_FALSE(s->Visible());
  // Without the border the same content sits 3 pixels further up and left.
  s->SetBorderWidth(0);
  s->Show();
  vcltest::Pump();
  EXPECT_EQ(s->ClientArea(), TRect(0, 0, 400, 175));
  const QImage flat = s->WindowFrame()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(probe::Box(flat, probe::NotBgr(face)), ink.translated(-3, -3));
}

TEST(MainWindowControls, HelpersWithoutAControl) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  TSuperBrowser* browser = w->webbrowser1;
  testsupport::FakeMessageDialogs dialogs;
  const struct {
    const char* Html;
    const char* Shown;
  } forms[] = {
      {"<form ACTION=\"/envoyer.php\" method=post>", "/envoyer.php"},
      {"<form action=\"a\"><form action=\"b\">", "a"},
      {"<form method=post>", "n"},
      {"<form action=\"\">", "n"},
  };
  for (const auto& f : forms) {
    dialogs.Requests.clear();
    w->GetFormPost(QString::fromLatin1(f.Html));
    ASSERT_EQ(dialogs.Requests.size(), 1) << f.Html;
    EXPECT_EQ(dialogs.Requests[0].Text, QString::fromLatin1(f.Shown)) << f.Html;
  }
  EXPECT_EQ(w->ReplaceOnload(), QString());
  const QString caption = w->Caption();
  w->WebBrowser11TitleChange(browser, QStringLiteral("Plombier Paris"));
  EXPECT_EQ(w->Caption(), QStringLiteral("Tallowfinch - Plombier Paris"));
  w->SetCaption(caption);

  const QString contact = env->Server->Url(QStringLiteral("/contact.php"));
  w->CallWeb(contact);
  EXPECT_TRUE(WaitForUrl(browser, contact));

  // The hidden German search: another user agent and the directory's
  // search path over https.
  const QString agent = browser->UserAgent();
  w->btnSuchenClick(w->btnSuchen);
  EXPECT_EQ(browser->UserAgent(), QStringLiteral("Microsoft Pocket Internet Explorer/0.6"));
  browser->SetUserAgent(agent);
  w->ButtonedEdit1->SetText(QStringLiteral("Was suchen Sie?"));
  w->ButtonedEdit1Enter(w->ButtonedEdit1);
  EXPECT_EQ(w->ButtonedEdit1->Text(), QString());
  EXPECT_TRUE(w->ButtonedEdit1->RightButton()->Visible());
  EXPECT_EQ(dialogs.Requests.size(), 1) << "nothing said after the last form";
}
