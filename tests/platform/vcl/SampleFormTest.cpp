// A form with every standard control, shown offscreen in two styles and
// grabbed to PNG: the pictures differ as the styles say, and every control
// shows something legible.

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QPainter>
#include <QPalette>
#include <cmath>
#include <iostream>
#include <map>

#include "tests/support/TestSupport.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/Themes.h"
#include "tests/platform/vcl/ControlsTestSupport.h"
#include "tests/platform/vcl/VclTestSupport.h"

using namespace vcltest;

namespace {

// Glyphs of the tool bars: coloured discs on a transparent ground.
void FillImages(TImageList* Images, int Size) {
  const TColor colours[] = {clRed, clGreen, clBlue, clOlive, clPurple, clTeal, clMaroon, clNavy};
  const int n = int(std::size(colours));
  TBitmap strip;
  strip.SetPixelFormat(pf24bit);
  strip.SetSize(Size * n, Size);
  strip.Canvas()->Brush()->SetColor(clFuchsia);
  strip.Canvas()->FillRect(TRect(0, 0, Size * n, Size));
  for (int i = 0; i < n; ++i) {
    strip.Canvas()->Brush()->SetColor(colours[i]);
    strip.Canvas()->Pen()->SetColor(clBlack);
    strip.Canvas()->Ellipse(i * Size + 2, 2, (i + 1) * Size - 2, Size - 2);
  }
  Images->SetSize(Size, Size);
  Images->AddMasked(&strip, clFuchsia);
}

TMenuItem* Item(TComponent* Owner, TMenuItem* Parent, const QString& Caption) {
  auto* item = new TMenuItem(Owner);
  item->SetCaption(Caption);
  Parent->Add(item);
  return item;
}

// The main window of a browser-like program: menu, cool bar with a
// navigation tool bar, an address panel, pages with a capture tool bar,
// progress bars and a group of standard controls, a splitter and a results
// pane with a memo, status bar.
class TSampleForm : public TForm {
 public:
  explicit TSampleForm(TComponent* AOwner) : TForm(AOwner) {
    SetCaption(QStringLiteral("Sample form"));
    SetBounds(40, 60, 860, 560);

    Menu = new TMainMenu(this);
    TMenuItem* file = Item(this, Menu->Items(), QStringLiteral("&File"));
    Item(this, file, QStringLiteral("&Open..."))->SetShortCut(TextToShortCut(QStringLiteral("Ctrl+O")));
    Item(this, file, QStringLiteral("-"));
    Item(this, file, QStringLiteral("E&xit"));
    Item(this, Menu->Items(), QStringLiteral("&View"));
    Item(this, Menu->Items(), QStringLiteral("Appearance"));
    Item(this, Menu->Items(), QStringLiteral("Help"));
    SetMenu(Menu);

    Images = new TImageList(this);
    FillImages(Images, 24);
    SmallImages = new TImageList(this);
    FillImages(SmallImages, 16);

    Popup = new TPopupMenu(this);
    Item(this, Popup->Items(), QStringLiteral("5 seconds"));

    Cool = new TCoolBar(this);
    Cool->SetParent(this);
    Cool->SetAutoSize(true);
    Nav = new TToolBar(this);
    Nav->SetImages(Images);
    Nav->SetShowCaptions(true);
    Nav->SetButtonWidth(75);
    Nav->SetButtonHeight(45);
    Nav->SetAutoSize(true);
    Nav->SetWrapable(false);
    const struct {
      const char* Caption;
      TToolButtonStyle Style;
      int Image;
    } buttons[] = {{"Back", tbsButton, 4},      {"Forward", tbsButton, 3}, {" Stop", tbsButton, 0},
                   {"", tbsSeparator, -1},      {"Refresh", tbsButton, 2}, {"Home", tbsButton, 1},
                   {"", tbsSeparator, -1},      {"50%", tbsCheck, 5},      {"Timer", tbsDropDown, 6}};
    for (const auto& b : buttons) {
      auto* button = new TToolButton(this);
      button->SetParent(Nav);
      button->SetStyle(b.Style);
      button->SetCaption(QString::fromLatin1(b.Caption));
      button->SetImageIndex(b.Image);
      if (b.Style == tbsDropDown) button->SetDropdownMenu(Popup);
      if (b.Style == tbsCheck) button->SetDown(true);
    }
    Nav->Buttons(1)->SetEnabled(false);
    Nav->SetHeight(45);
    Cool->Bands()->Add()->SetControl(Nav);

    Address = new TPanel(this);
    Address->SetParent(this);
    Address->SetAlign(alTop);
    Address->SetHeight(38);
    Address->SetTop(200);
    auto* url = new TLabel(this);
    url->SetParent(Address);
    url->SetCaption(QStringLiteral("URL:"));
    url->SetBounds(8, 12, 30, 16);
    Url = new TEdit(this);
    Url->SetParent(Address);
    Url->SetBounds(44, 8, 420, 23);
    Url->SetText(QStringLiteral("http://www.pagesjaunes.fr"));
    Go = new TButton(this);
    Go->SetParent(Address);
    Go->SetCaption(QStringLiteral("GO"));
    Go->SetBounds(472, 7, 75, 25);
    Search = new TButtonedEdit(this);
    Search->SetParent(Address);
    Search->SetBounds(560, 8, 180, 23);
    Search->SetImages(SmallImages);
    Search->RightButton()->SetImageIndex(2);
    Search->RightButton()->SetVisible(true);
    Search->SetText(QStringLiteral("Was suchen Sie?"));

    Status = new TStatusBar(this);
    Status->SetParent(this);
    const struct {
      const char* Text;
      int Width;
      TAlignment Alignment;
    } panels[] = {{"TFN - v. 2.0g", 250, taRightJustify},
                  {"Ready", 200, taLeftJustify},
                  {"12 lines", 250, taCenter},
                  {"", 50, taLeftJustify}};
    for (const auto& p : panels) {
      TStatusPanel* panel = Status->Panels()->Add();
      panel->SetText(QString::fromLatin1(p.Text));
      panel->SetWidth(p.Width);
      panel->SetAlignment(p.Alignment);
    }

    Results = new TPageControl(this);
    Results->SetParent(this);
    Results->SetAlign(alRight);
    Results->SetWidth(226);
    auto* text = new TTabSheet(this);
    text->SetCaption(QStringLiteral("CSV Results (text)"));
    text->SetPageControl(Results);
    Memo = new TMemo(this);
    Memo->SetParent(text);
    Memo->SetAlign(alClient);
    Memo->Lines()->Add(QStringLiteral("Name;Street;Town"));
    Memo->Lines()->Add(QStringLiteral("Hotel du Parc;1 rue Neuve;Lyon"));
    Split = new TSplitter(this);
    Split->SetParent(this);
    Split->SetAlign(alRight);
    Split->SetWidth(5);
    Split->SetLeft(600);

    Pages = new TPageControl(this);
    Pages->SetParent(this);
    Pages->SetAlign(alClient);
    Browser = new TTabSheet(this);
    Browser->SetCaption(QStringLiteral("WebBrowser"));
    Browser->SetPageControl(Pages);
    auto* hidden = new TTabSheet(this);
    hidden->SetCaption(QStringLiteral("Parsing Info"));
    hidden->SetPageControl(Pages);
    hidden->SetTabVisible(false);
    auto* options = new TTabSheet(this);
    options->SetCaption(QStringLiteral("Options"));
    options->SetPageControl(Pages);

    Capture = new TToolBar(this);
    Capture->SetParent(Browser);
    Capture->SetImages(SmallImages);
    Capture->SetShowCaptions(true);
    Capture->SetList(true);
    Capture->SetAutoSize(true);
    for (const char* caption : {"Quick", "Capture"}) {
      auto* button = new TToolButton(this);
      button->SetParent(Capture);
      button->SetCaption(QString::fromLatin1(caption));
      button->SetImageIndex(7);
    }
    Capture->Buttons(0)->SetStyle(tbsCheck);
    Country = new TLabel(this);
    Country->SetParent(Capture);
    Country->SetCaption(QStringLiteral("   Pages Jaunes - France   "));
    Country->SetColor(clYellow);
    Country->SetTransparent(false);
    Country->Font()->SetStyle(TFontStyles{fsBold});
    Country->SetAutoSize(true);

    Progress = new TProgressBar(this);
    Progress->SetParent(Browser);
    Progress->SetBounds(20, 80, 300, 18);
    Progress->SetPosition(60);
    Smooth = new TProgressBar(this);
    Smooth->SetParent(Browser);
    Smooth->SetBounds(20, 110, 300, 18);
    Smooth->SetSmooth(true);
    Smooth->SetPosition(35);

    Group = new TGroupBox(this);
    Group->SetParent(Browser);
    Group->SetCaption(QStringLiteral("Capture options"));
    Group->SetBounds(20, 145, 300, 200);
    Check = new TCheckBox(this);
    Check->SetParent(Group);
    Check->SetCaption(QStringLiteral("Quick capture"));
    Check->SetChecked(true);
    Check->SetBounds(12, 24, 160, 20);
    for (int i = 0; i < 2; ++i) {
      auto* radio = new TRadioButton(this);
      radio->SetParent(Group);
      radio->SetCaption(i == 0 ? QStringLiteral("CSV") : QStringLiteral("Excel"));
      radio->SetBounds(12, 48 + 22 * i, 120, 20);
      radio->SetChecked(i == 0);
    }
    Combo = new TComboBox(this);
    Combo->SetParent(Group);
    Combo->SetBounds(12, 100, 200, 24);
    Combo->Items()->Add(QStringLiteral("pages jaunes (FR)"));
    Combo->Items()->Add(QStringLiteral("gelbe Seiten (DE)"));
    Combo->SetItemIndex(0);
    Scroll = new TScrollBar(this);
    Scroll->SetParent(Group);
    Scroll->SetBounds(12, 140, 270, 18);
    Scroll->SetPosition(30);
    List = new TListBox(this);
    List->SetParent(Browser);
    List->SetBounds(340, 145, 160, 120);
    for (const char* town : {"Lyon", "Paris", "Marseille", "Lille"}) List->Items()->Add(QString::fromLatin1(town));
    List->SetItemIndex(1);
  }

  TMainMenu* Menu;
  TImageList* Images;
  TImageList* SmallImages;
  TPopupMenu* Popup;
  TCoolBar* Cool;
  TToolBar* Nav;
  TStatusBar* Status;
  TPageControl* Pages;
  TTabSheet* Browser;
  TToolBar* Capture;
  TProgressBar* Progress;
  TProgressBar* Smooth;
  TPanel* Address;
  TEdit* Url;
  TButton* Go;
  TButtonedEdit* Search;
  TPageControl* Results;
  TMemo* Memo;
  TSplitter* Split;
  TLabel* Country = nullptr;
  TGroupBox* Group = nullptr;
  TCheckBox* Check = nullptr;
  TComboBox* Combo = nullptr;
  TScrollBar* Scroll = nullptr;
  TListBox* List = nullptr;
};

using probe::Legibility;
using probe::TLegibility;

QString OutputFolder() { return testsupport::TestOutputFolder(); }

// Every control of the tree that is meant to show something.
void Collect(TWinControl* Parent, QList<TControl*>& List) {
  for (int i = 0; i < Parent->ControlCount(); ++i) {
    TControl* c = Parent->Controls(i);
    if (!c->Visible()) continue;
    if (auto* b = dynamic_cast<TToolButton*>(c); b && b->IsSeparator()) continue;
    List.append(c);
    if (auto* w = dynamic_cast<TWinControl*>(c)) Collect(w, List);
  }
}

class SampleFormTest : public ::testing::Test {
 protected:
  void TearDown() override {
    TStyleManager::SetStyle(QStringLiteral("Windows"));
    Pump();
    ResetInputKeyState();
  }

  // Shows the form in the style, grabs its window to PNG and checks that
  // each control is legible; answers the grab.
  QImage ShowIn(TSampleForm& Form, const QString& Style) {
    TStyleManager::SetStyle(Style);
    Pump();
    QWidget* window = Form.WindowFrame();
    const QImage image = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QString name = Style;
    name.remove(u' ');
    const QString path = OutputFolder() + QStringLiteral("/SampleForm-%1.png").arg(name);
    EXPECT_TRUE(image.save(path, "PNG"));
    std::cout << "[ picture  ] " << QFileInfo(path).absoluteFilePath().toStdString() << std::endl;

    QList<TControl*> controls;
    Collect(&Form, controls);
    EXPECT_GE(controls.size(), 30);
    for (TControl* c : controls) {
      SCOPED_TRACE(QStringLiteral("%1 %2 in %3").arg(c->ClassName(), c->Caption(), Style).toStdString());
      EXPECT_TRUE(c->Showing());
      TWinControl* host = c->IsWindowed() ? static_cast<TWinControl*>(c) : c->Parent();
      QPoint origin = host->Widget()->mapTo(window, QPoint(0, 0));
      if (!c->IsWindowed()) origin += QPoint(c->Left(), c->Top());
      const QRect area(origin, QSize(c->Width(), c->Height()));
      EXPECT_TRUE(image.rect().contains(area)) << area.x() << "," << area.y() << " " << area.width() << "x"
                                               << area.height();
      EXPECT_GT(area.width() * area.height(), 0);
      // A splitter is a plain bar between panes: nothing on it to read.
      if (dynamic_cast<TSplitter*>(c)) continue;
      const TLegibility l = Legibility(image, area, 60);
      EXPECT_GE(l.Ink, 8) << "ground " << std::hex << l.Ground;
    }
    return image;
  }

  static QPoint At(TSampleForm& Form, TControl* Control, int X, int Y) {
    TWinControl* host = Control->IsWindowed() ? static_cast<TWinControl*>(Control) : Control->Parent();
    QPoint p = host->Widget()->mapTo(Form.WindowFrame(), QPoint(X, Y));
    if (!Control->IsWindowed()) p += QPoint(Control->Left(), Control->Top());
    return p;
  }
};

TEST_F(SampleFormTest, TheTwoStylesPaintTheFormDifferentlyAndLegibly) {
  TSampleForm form(nullptr);
  ASSERT_TRUE(ShowAndActivate(&form));
  // Sample points: the form's face (on a tab sheet), the address panel, the
  // GO button (Qt-backed), a flat tool button and the status bar.
  TTabSheet* sheet = form.Browser;
  const QPoint face = At(form, sheet, sheet->Width() - 20, sheet->Height() - 20);
  const QPoint panel = At(form, form.Address, form.Address->Width() - 20, form.Address->Height() / 2);
  const QPoint button = At(form, form.Go, 6, form.Go->Height() / 2);
  const QPoint tool = At(form, form.Nav->Buttons(0), form.Nav->Buttons(0)->Width() - 3, 3);
  const QPoint status = At(form, form.Status, 300, 4);

  struct TSample {
    TColor Face, Panel, Button, Tool, Status, MenuBar;
    TColor StyleFace, StyleButton;
  };
  auto show = [&](const QString& style) {
    const QImage image = ShowIn(form, style);
    const QPoint bar = form.MenuBar()->mapTo(form.WindowFrame(), QPoint(form.MenuBar()->width() - 5, 3));
    auto px = [&](const QPoint& p) { return Px(image, p.x(), p.y()); };
    const QColor qtButton = StyleServices().Palette().color(QPalette::Button);
    return TSample{px(face),   px(panel), px(button), px(tool), px(status), px(bar),
                   StyleServices().GetSystemColor(clBtnFace),
                   TColor(RGB(qtButton.red(), qtButton.green(), qtButton.blue()))};
  };
  const TSample windows = show(QStringLiteral("Windows"));
  const TSample kamri = show(QStringLiteral("Amethyst Kamri"));

  ASSERT_NE(windows.StyleFace, kamri.StyleFace);
  auto near = [](TColor a, TColor b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
  };
  for (const TSample& s : {windows, kamri}) {
    EXPECT_EQ(s.Face, s.StyleFace);
    EXPECT_EQ(s.Panel, s.StyleFace);
    EXPECT_EQ(s.Tool, s.StyleFace);  // a flat tool button shows the bar's face
    EXPECT_EQ(s.Status, s.StyleFace);
    // Qt paints the button from the style's palette, with a light gradient.
    EXPECT_TRUE(near(s.Button, s.StyleButton, 24)) << std::hex << s.Button << " " << s.StyleButton;
  }
  EXPECT_NE(windows.Face, kamri.Face);
  EXPECT_NE(windows.Panel, kamri.Panel);
  EXPECT_NE(windows.Button, kamri.Button);
  EXPECT_NE(windows.Tool, kamri.Tool);
  EXPECT_NE(windows.Status, kamri.Status);
  EXPECT_NE(windows.MenuBar, kamri.MenuBar);
}

// A light and a dark style: every control stays legible, a label with a
// colour of its own included (a style paints it in the style's colours).
TEST_F(SampleFormTest, LightAndDarkStylesKeepEveryControlLegible) {
  TSampleForm form(nullptr);
  ASSERT_TRUE(ShowAndActivate(&form));
  for (const char* style : {"Luna", "Cyan Night"}) ShowIn(form, QString::fromLatin1(style));
}

}  // namespace
