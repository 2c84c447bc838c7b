// Common controls: page controls and tab sheets, tool bars and tool
// buttons, cool bars, status bars and progress bars, driven through the
// harness and checked on what they paint.

#include "platform/vcl/ComCtrls.h"

#include "platform/vcl/Themes.h"
#include "tests/platform/vcl/ControlsTestSupport.h"
#include "tests/platform/vcl/VclTestSupport.h"
#include "tests/support/FakePopupMenus.h"

using namespace vcltest;

namespace {

class ComCtrlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TStyleManager::SetStyle(QStringLiteral("Windows"));
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(40, 60, 500, 300);
  }
  void TearDown() override {
    Form.reset();
    Pump();
    ResetInputKeyState();
  }
  void Show() {
    ASSERT_TRUE(ShowAndActivate(Form.get()));
    Pump();
  }

  std::unique_ptr<TForm> Form;
  QStringList Events;
};

TColor Face() { return StyleServices().GetSystemColor(clBtnFace); }

// The columns (or rows) of Area in which some pixel has Ink.
QRect InkOf(const QImage& Image, TColor Ink, QRect Area = QRect()) {
  if (Area.isNull()) Area = Image.rect();
  QRect box;
  for (int y = Area.top(); y <= Area.bottom(); ++y)
    for (int x = Area.left(); x <= Area.right(); ++x)
      if (Px(Image, x, y) == Ink) box |= QRect(x, y, 1, 1);
  return box;
}

// Pixels that are neither the face nor the given colours.
QRect TextInk(const QImage& Image, std::initializer_list<TColor> Others, QRect Area = QRect()) {
  if (Area.isNull()) Area = Image.rect();
  QRect box;
  const TColor face = Face();
  for (int y = Area.top(); y <= Area.bottom(); ++y)
    for (int x = Area.left(); x <= Area.right(); ++x) {
      const TColor c = Px(Image, x, y);
      if (c == face || std::find(Others.begin(), Others.end(), c) != Others.end()) continue;
      // Text is dark on the light face of the Windows style.
      if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 110) box |= QRect(x, y, 1, 1);
    }
  return box;
}

// --- page control ----------------------------------------------------------------

class PageControlTest : public ComCtrlsTest {
 protected:
  void SetUp() override {
    ComCtrlsTest::SetUp();
    Pages = new TPageControl(Form.get());
    Pages->SetParent(Form.get());
    Pages->SetBounds(10, 10, 400, 250);
    for (const char* caption : {"WebBrowser", "Parsing Info", "Results"}) {
      auto* sheet = new TTabSheet(Form.get());
      sheet->SetCaption(QString::fromLatin1(caption));
      sheet->SetPageControl(Pages);
    }
    Pages->Pages(1)->SetTabVisible(false);
    Pages->OnChanging = [this](TObject*, bool& AllowChange) {
      Events << QStringLiteral("changing from %1").arg(Pages->ActivePageIndex());
      AllowChange = Allow;
    };
    Pages->OnChange = [this](TObject*) { Events << QStringLiteral("change to %1").arg(Pages->ActivePageIndex()); };
  }

  TPoint TabCenter(int Index) {
    const TRect r = Pages->TabRect(Index);
    return TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  }

  TPageControl* Pages = nullptr;
  bool Allow = true;
};

TEST_F(PageControlTest, HiddenTabsKeepTheirPages) {
  EXPECT_EQ(Pages->PageCount(), 3);
  EXPECT_EQ(Pages->TabCount(), 2);
  EXPECT_EQ(Pages->ActivePage(), Pages->Pages(0));  // the first page shows
  EXPECT_EQ(Pages->Pages(0)->TabIndex(), 0);
  EXPECT_EQ(Pages->Pages(1)->TabIndex(), -1);
  EXPECT_EQ(Pages->Pages(2)->TabIndex(), 1);
  EXPECT_TRUE(Pages->TabRect(2).IsEmpty());
  EXPECT_THROW(Pages->Pages(3), EListError);
  EXPECT_EQ(Pages->Pages(2)->PageIndex(), 2);

  // A page with a hidden tab may still be shown; then no tab is selected.
  Pages->SetActivePage(Pages->Pages(1));
  EXPECT_EQ(Pages->ActivePageIndex(), 1);
  EXPECT_EQ(Pages->TabIndex(), -1);
  EXPECT_TRUE(Pages->Pages(1)->Visible());
  EXPECT_FALSE(Pages->Pages(0)->Visible());
  Pages->SetTabIndex(1);
  EXPECT_EQ(Pages->ActivePage(), Pages->Pages(2));
  Pages->SetActivePageIndex(7);
  EXPECT_EQ(Pages->ActivePage(), nullptr);
  Pages->SetActivePageIndex(0);
  EXPECT_TRUE(Events.isEmpty());  // the program's changes run no events

  // Showing the tab again puts it back in its place.
  Pages->Pages(1)->SetTabVisible(true);
  EXPECT_EQ(Pages->TabCount(), 3);
  EXPECT_EQ(Pages->Pages(2)->TabIndex(), 2);
}

TEST_F(PageControlTest, TheActivePageFillsTheDisplayArea) {
  Show();
  TTabSheet* page = Pages->ActivePage();
  EXPECT_EQ(page->BoundsRect(), Pages->DisplayRect());
  EXPECT_GT(Pages->DisplayRect().Top, Pages->TabRect(0).Bottom);
  EXPECT_TRUE(page->Widget()->isVisible());
  EXPECT_FALSE(Pages->Pages(2)->WidgetIfAllocated() && Pages->Pages(2)->WidgetIfAllocated()->isVisible());
  Pages->SetBounds(10, 10, 300, 200);
  EXPECT_EQ(page->BoundsRect(), Pages->DisplayRect());
  // Tabs are painted for shown tabs only: captions have ink.
  const QImage image = Grab(Pages);
  const TRect tab = Pages->TabRect(1);
  EXPECT_FALSE(TextInk(image, {}, QRect(tab.Left + 3, tab.Top + 3, tab.Width() - 6, tab.Height() - 6)).isEmpty());
  const TRect after = TRect(tab.Right + 4, tab.Top + 3, tab.Right + 60, tab.Bottom - 3);
  EXPECT_TRUE(TextInk(image, {}, QRect(after.Left, after.Top, after.Width(), after.Height())).isEmpty());
}

TEST_F(PageControlTest, ClickingATabAsksOnChangingFirst) {
  Show();
  const TPoint third = TabCenter(1);
  Click(Pages, third.X, third.Y);
  EXPECT_EQ(Pages->ActivePageIndex(), 2);
  EXPECT_EQ(Events, (QStringList{"changing from 0", "change to 2"}));
  EXPECT_TRUE(Pages->Focused());

  Events.clear();
  Allow = false;
  const TPoint first = TabCenter(0);
  Click(Pages, first.X, first.Y);
  EXPECT_EQ(Pages->ActivePageIndex(), 2);
  EXPECT_EQ(Events, QStringList{"changing from 2"});

  // Clicking the selected tab or outside the tabs changes nothing.
  Events.clear();
  Allow = true;
  Click(Pages, third.X, third.Y);
  Click(Pages, 200, 150);
  EXPECT_TRUE(Events.isEmpty());
}

TEST_F(PageControlTest, KeysMoveBetweenShownTabs) {
  Show();
  Pages->SetFocus();
  Pump();
  Key(VK_RIGHT);
  EXPECT_EQ(Pages->ActivePageIndex(), 2);  // the hidden tab is skipped
  Key(VK_RIGHT);
  EXPECT_EQ(Pages->ActivePageIndex(), 0);  // round again
  Key(VK_TAB, TShiftState{ssCtrl});
  EXPECT_EQ(Pages->ActivePageIndex(), 2);
  Key(VK_TAB, TShiftState{ssCtrl, ssShift});
  EXPECT_EQ(Pages->ActivePageIndex(), 0);
  EXPECT_EQ(Events.size(), 8);
  EXPECT_EQ(Pages->FindNextPage(Pages->Pages(0), true, false), Pages->Pages(1));
  EXPECT_EQ(Pages->FindNextPage(Pages->Pages(0), false, true), Pages->Pages(2));
}

TEST_F(PageControlTest, RemovingTheActivePageShowsTheNext) {
  Pages->SetActivePageIndex(2);
  delete Pages->Pages(2);
  EXPECT_EQ(Pages->PageCount(), 2);
  EXPECT_EQ(Pages->ActivePage(), Pages->Pages(0));  // the next shown tab, round the end
  Pages->Pages(1)->SetPageControl(nullptr);
  EXPECT_EQ(Pages->PageCount(), 1);
  TTabSheet* moved = new TTabSheet(Form.get());
  moved->SetPageControl(Pages);
  moved->SetPageIndex(0);
  EXPECT_EQ(Pages->Pages(0), moved);
  EXPECT_EQ(Pages->ActivePageIndex(), 1);
}

// --- tool bar ----------------------------------------------------------------------

class ToolBarTest : public ComCtrlsTest {
 protected:
  void SetUp() override {
    ComCtrlsTest::SetUp();
    Images = new TImageList(Form.get());
    auto strip = FilledBitmap(32, 16, clRed);
    Images->Add(strip.get(), nullptr);
    Bar = new TToolBar(Form.get());
    Bar->SetParent(Form.get());
    Bar->SetImages(Images);
  }

  TToolButton* Button(const QString& Caption, TToolButtonStyle Style = tbsButton, int Image = 0) {
    auto* b = new TToolButton(Form.get());
    b->SetParent(Bar);
    b->SetStyle(Style);
    b->SetCaption(Caption);
    b->SetImageIndex(Image);
    b->OnClick = [this, Caption](TObject*) { Events << Caption; };
    return b;
  }

  TImageList* Images = nullptr;
  TToolBar* Bar = nullptr;
};

TEST_F(ToolBarTest, ButtonsClickAndSeparatorsKeepTheirWidth) {
  TToolButton* back = Button(QStringLiteral("Back"));
  TToolButton* sep = Button(QString(), tbsSeparator);
  TToolButton* home = Button(QStringLiteral("Home"));
  Show();
  EXPECT_EQ(Bar->Align(), alTop);
  EXPECT_EQ(Bar->ButtonCount(), 3);
  EXPECT_EQ(Bar->Buttons(2), home);
  EXPECT_THROW(Bar->Buttons(3), EListError);
  EXPECT_EQ(back->BoundsRect(), TRect(0, 0, 23, 22));
  EXPECT_EQ(sep->Width(), 8);
  EXPECT_EQ(home->Left(), 31);
  EXPECT_EQ(home->Index(), 2);
  Click(back, 5, 5);
  Click(sep, 4, 5);
  Click(home, 5, 5);
  EXPECT_EQ(Events, (QStringList{"Back", "Home"}));
  home->SetEnabled(false);
  Click(home, 5, 5);
  EXPECT_EQ(Events.size(), 2);
  // Hidden buttons take no room.
  back->SetVisible(false);
  EXPECT_EQ(sep->Left(), 0);
}

TEST_F(ToolBarTest, CheckButtonsAndGroups) {
  TToolButton* pix = Button(QStringLiteral("Pix"), tbsCheck);
  TToolButton* sep = Button(QString(), tbsSeparator);
  TToolButton* left = Button(QStringLiteral("Left"), tbsCheck);
  TToolButton* mid = Button(QStringLiteral("Mid"), tbsCheck);
  TToolButton* right = Button(QStringLiteral("Right"), tbsCheck);
  for (TToolButton* b : {left, mid, right}) b->SetGrouped(true);
  Show();
  Click(pix, 5, 5);
  EXPECT_TRUE(pix->Down());
  Click(pix, 5, 5);
  EXPECT_FALSE(pix->Down());

  Click(left, 5, 5);
  Click(right, 5, 5);
  EXPECT_FALSE(left->Down());
  EXPECT_TRUE(right->Down());
  Click(right, 5, 5);  // a group keeps one button down
  EXPECT_TRUE(right->Down());
  mid->SetAllowAllUp(true);  // for the whole group
  EXPECT_TRUE(left->AllowAllUp());
  Click(right, 5, 5);
  EXPECT_FALSE(right->Down());
  pix->SetDown(true);  // not in the group (a separator and no Grouped)
  mid->SetDown(true);
  EXPECT_TRUE(pix->Down());
  EXPECT_EQ(Events, (QStringList{"Pix", "Pix", "Left", "Right", "Right", "Right"}));
  (void)sep;
}

TEST_F(ToolBarTest, TheDropDownArrowOpensTheMenu) {
  testsupport::FakePopupMenus popups;
  auto* menu = new TPopupMenu(Form.get());
  for (const char* caption : {"5 s", "10 s"}) {
    auto* item = new TMenuItem(Form.get());
    item->SetCaption(QString::fromLatin1(caption));
    item->OnClick = [this, caption](TObject*) { Events << QString::fromLatin1(caption); };
    menu->Items()->Add(item);
  }
  TToolButton* timer = Button(QStringLiteral("Timer"), tbsDropDown);
  timer->SetDropdownMenu(menu);
  Show();
  EXPECT_EQ(timer->Width(), 23 + 14);
  const TRect arrow = timer->DropDownRect();
  EXPECT_EQ(arrow.Right, timer->Width());
  popups.Choices << QStringLiteral("10 s");
  Click(timer, arrow.Left + 4, 10);
  ASSERT_EQ(popups.Requests.size(), 1);
  const TPoint below = timer->ClientToScreen(TPoint(0, timer->Height()));
  EXPECT_EQ(TPoint(popups.Requests[0].X, popups.Requests[0].Y), below);
  EXPECT_EQ(menu->PopupComponent(), timer);
  EXPECT_EQ(Events, QStringList{"10 s"});
  Click(timer, 4, 10);  // the main part clicks
  EXPECT_EQ(popups.Requests.size(), 1);
  EXPECT_EQ(Events, (QStringList{"10 s", "Timer"}));
  delete menu;
  EXPECT_EQ(timer->DropdownMenu(), nullptr);
  Click(timer, arrow.Left + 4, 10);  // no menu: the arrow clicks
  EXPECT_EQ(Events.last(), QStringLiteral("Timer"));
}

TEST_F(ToolBarTest, CaptionsBelowOrBesideTheImage) {
  Bar->SetShowCaptions(true);
  TToolButton* capture = Button(QStringLiteral("Capture"));
  Show();
  // Below: the caption's ink lies under the image.
  QImage image = Grab(capture);
  QRect red = InkOf(image, clRed);
  QRect text = TextInk(image, {clRed});
  ASSERT_FALSE(red.isEmpty());
  ASSERT_FALSE(text.isEmpty());
  EXPECT_GT(text.top(), red.bottom());
  EXPECT_GE(capture->Height(), 16 + text.height());

  // Beside (List): the caption's ink lies right of the image.
  Bar->SetList(true);
  Pump();
  image = Grab(capture);
  red = InkOf(image, clRed);
  text = TextInk(image, {clRed});
  ASSERT_FALSE(red.isEmpty());
  ASSERT_FALSE(text.isEmpty());
  EXPECT_GT(text.left(), red.right());
  EXPECT_LT(text.top(), red.bottom());
  EXPECT_GT(capture->Width(), 16 + text.width());
}

TEST_F(ToolBarTest, WrapableBarsWrapAndAutoSizeFollowsTheRows) {
  Bar->SetAutoSize(true);
  Bar->SetButtonWidth(75);
  Bar->SetButtonHeight(45);
  TToolButton* buttons[8];
  for (int i = 0; i < 8; ++i) buttons[i] = Button(QStringLiteral("B%1").arg(i));
  Show();
  EXPECT_EQ(Bar->RowCount(), 2);  // 6 of 75 fit in 500
  EXPECT_EQ(buttons[6]->Left(), 0);
  EXPECT_EQ(buttons[6]->Top(), 45);
  EXPECT_EQ(Bar->Height(), 90);
  Bar->SetWrapable(false);
  EXPECT_EQ(Bar->RowCount(), 1);
  EXPECT_EQ(Bar->Height(), 45);
  buttons[2]->SetWrap(true);
  EXPECT_EQ(Bar->RowCount(), 2);
  EXPECT_EQ(buttons[3]->Left(), 0);
}

TEST_F(ToolBarTest, AMenuItemGivesTheButtonItsLookAndClick) {
  auto* item = new TMenuItem(Form.get());
  item->SetCaption(QStringLiteral("&Refresh"));
  item->SetHint(QStringLiteral("Refresh Active Tab"));
  item->SetImageIndex(0);
  item->SetChecked(true);
  item->OnClick = [this](TObject*) { Events << QStringLiteral("item"); };
  auto* b = new TToolButton(Form.get());
  b->SetParent(Bar);
  b->SetMenuItem(item);
  EXPECT_EQ(b->Caption(), QStringLiteral("&Refresh"));
  EXPECT_EQ(b->Hint(), QStringLiteral("Refresh Active Tab"));
  EXPECT_EQ(b->ImageIndex(), 0);
  EXPECT_TRUE(b->Down());
  Show();
  Click(b, 5, 5);
  EXPECT_EQ(Events, QStringList{"item"});
  delete item;
  EXPECT_EQ(b->MenuItem(), nullptr);
}

// --- cool bar ----------------------------------------------------------------------

TEST_F(ComCtrlsTest, CoolBarBandsHoldControlsInRows) {
  auto* cool = new TCoolBar(Form.get());
  cool->SetParent(Form.get());
  cool->SetAutoSize(true);
  auto* nav = new TToolBar(Form.get());
  nav->SetHeight(45);
  auto* other = new TToolBar(Form.get());
  other->SetHeight(30);
  TCoolBand* first = cool->Bands()->Add();
  first->SetControl(nav);
  TCoolBand* second = cool->Bands()->Add();
  second->SetText(QStringLiteral("Links"));
  second->SetControl(other);
  Show();
  EXPECT_EQ(nav->Parent(), cool);
  EXPECT_EQ(cool->Align(), alTop);
  // Two rows (bands break by default), each control in its band after the grip.
  EXPECT_LT(cool->BandRect(0).Bottom, cool->BandRect(1).Top + 1);
  EXPECT_GT(nav->Left(), 0);
  EXPECT_GT(other->Left(), nav->Left());  // after the band's text
  EXPECT_GE(cool->Height(), 45 + 30);
  EXPECT_EQ(nav->Width(), cool->BandRect(0).Right - 4 - nav->Left());
  second->SetBreak(false);  // now beside the first band
  EXPECT_EQ(cool->BandRect(1).Top, cool->BandRect(0).Top);
  EXPECT_GT(other->Left(), cool->BandRect(0).Right - 1);
  delete other;
  EXPECT_EQ(second->Control(), nullptr);
}

// --- status bar --------------------------------------------------------------------

TEST_F(ComCtrlsTest, StatusBarPanelsShowTheirTextAligned) {
  auto* status = new TStatusBar(Form.get());
  status->SetParent(Form.get());
  const struct {
    const char* Text;
    int Width;
    TAlignment Alignment;
  } panels[] = {{"TFN - v. 2.0g", 250, taRightJustify}, {"x", 120, taLeftJustify}, {"4 lines", 100, taCenter}};
  for (const auto& p : panels) {
    TStatusPanel* panel = status->Panels()->Add();
    panel->SetText(QString::fromLatin1(p.Text));
    panel->SetWidth(p.Width);
    panel->SetAlignment(p.Alignment);
  }
  Show();
  EXPECT_EQ(status->Align(), alBottom);
  EXPECT_EQ(status->Top(), Form->ClientHeight() - status->Height());
  EXPECT_EQ(status->PanelRect(0).Left, 0);
  EXPECT_EQ(status->PanelRect(1).Left, 250);
  EXPECT_EQ(status->PanelRect(2).Left, 370);
  EXPECT_EQ(status->PanelRect(2).Right, 500);  // the last panel reaches the end
  EXPECT_TRUE(status->PanelRect(3).IsEmpty());
  const QImage image = Grab(status);
  auto ink = [&](int i) {
    const TRect r = status->PanelRect(i);
    return TextInk(image, {}, QRect(r.Left + 2, r.Top + 2, r.Width() - 4, r.Height() - 4));
  };
  const QRect right = ink(0), left = ink(1), centre = ink(2);
  ASSERT_FALSE(right.isEmpty() || left.isEmpty() || centre.isEmpty());
  EXPECT_GT(right.left(), 250 / 2);       // right-aligned in 0..250
  EXPECT_LT(left.left(), 250 + 10);       // left-aligned from 250
  const int middle = (370 + 500 - 14) / 2;  // the size grip takes the corner
  EXPECT_LT(std::abs((centre.left() + centre.right()) / 2 - middle), 6);

  status->SetSimplePanel(true);
  status->SetSimpleText(QStringLiteral("Ready"));
  const QImage simple = Grab(status);
  EXPECT_LT(TextInk(simple, {}).left(), 10);
  EXPECT_LT(TextInk(simple, {}).right(), 100);
}

TEST_F(ComCtrlsTest, OwnerDrawnPanelsAreDrawnByTheHandler) {
  auto* status = new TStatusBar(Form.get());
  status->SetParent(Form.get());
  status->Panels()->Add()->SetWidth(100);
  TStatusPanel* drawn = status->Panels()->Add();
  drawn->SetWidth(50);
  drawn->SetStyle(psOwnerDraw);
  drawn->SetText(QStringLiteral("not shown"));
  status->Panels()->Add();
  QList<TRect> calls;
  status->OnDrawPanel = [&](TStatusBar* Bar, TStatusPanel* Panel, const TRect& Rect) {
    EXPECT_EQ(Panel, drawn);
    calls << Rect;
    Bar->Canvas()->Brush()->SetColor(clLime);
    Bar->Canvas()->FillRect(TRect(Rect.Left, Rect.Top, Rect.Right + 40, Rect.Bottom));  // clipped to the panel
  };
  Show();
  const QImage image = Grab(status);
  ASSERT_FALSE(calls.isEmpty());
  const TRect r = calls.last();
  EXPECT_GE(r.Left, 100);
  EXPECT_LE(r.Right, 150);
  const QRect lime = InkOf(image, clLime);
  EXPECT_EQ(lime, QRect(r.Left, r.Top, r.Width(), r.Height()));
}

// --- progress bar ----------------------------------------------------------------------

TEST_F(ComCtrlsTest, ProgressBarStepsAndClamps) {
  TProgressBar bar(nullptr);
  struct TCase {
    const char* What;
    std::function<void()> Do;
    int Position;
  };
  const TCase cases[] = {
      {"set beyond max", [&] { bar.SetPosition(150); }, 100},
      {"set below min", [&] { bar.SetPosition(-5); }, 0},
      {"step", [&] { bar.StepIt(); }, 10},
      {"step by", [&] { bar.StepBy(85); }, 95},
      {"step past max starts over", [&] { bar.StepIt(); }, 5},
      {"step by stops at max", [&] { bar.StepBy(500); }, 100},
      {"step by stops at min", [&] { bar.StepBy(-500); }, 0},
      {"negative step past min", [&] { bar.SetStep(-30); bar.SetPosition(20); bar.StepIt(); }, 90},
      {"new range keeps it inside", [&] { bar.SetRange(0, 50); }, 50},
      {"min raised above it", [&] { bar.SetMax(80); bar.SetMin(60); }, 60},
  };
  for (const TCase& c : cases) {
    c.Do();
    EXPECT_EQ(bar.Position(), c.Position) << c.What;
  }
  // Max below Min is refused.
  EXPECT_THROW(bar.SetMin(90), EInvalidOperation);
  EXPECT_THROW(bar.SetRange(10, 5), EInvalidOperation);
  EXPECT_EQ(bar.Min(), 60);
}

TEST_F(ComCtrlsTest, ProgressBarFillsItsShareOfTheBar) {
  auto* bar = new TProgressBar(Form.get());
  bar->SetParent(Form.get());
  bar->SetBounds(10, 10, 202, 20);
  bar->SetSmooth(true);
  bar->SetPosition(25);
  Show();
  EXPECT_EQ(bar->FilledRect(), TRect(1, 1, 51, 19));
  QImage image = Grab(bar);
  const TColor filled = Px(image, 25, 10);
  const TColor empty = Px(image, 150, 10);
  EXPECT_NE(filled, empty);
  bar->SetState(pbsError);
  image = Grab(bar);
  EXPECT_EQ(Px(image, 25, 10), TColor(RGB(218, 38, 38)));
  EXPECT_EQ(Px(image, 150, 10), empty);
  bar->SetOrientation(pbVertical);
  bar->SetBounds(10, 10, 20, 202);
  EXPECT_EQ(bar->FilledRect(), TRect(1, 151, 19, 201));
  bar->SetPosition(0);
  EXPECT_TRUE(bar->FilledRect().IsEmpty());
}

// --- styles ----------------------------------------------------------------------------

TEST_F(ComCtrlsTest, PaintedControlsFollowTheActiveStyle) {
  auto* status = new TStatusBar(Form.get());
  status->SetParent(Form.get());
  status->SetSizeGrip(false);
  auto* bar = new TToolBar(Form.get());
  bar->SetParent(Form.get());
  Show();
  const TColor windowsFace = Px(Grab(status), 300, 10);
  EXPECT_EQ(windowsFace, StyleServices().GetSystemColor(clBtnFace));
  TStyleManager::SetStyle(QStringLiteral("Amethyst Kamri"));
  Pump();
  const TColor kamriFace = StyleServices().GetSystemColor(clBtnFace);
  ASSERT_NE(kamriFace, windowsFace);
  EXPECT_EQ(Px(Grab(status), 300, 10), kamriFace);
  EXPECT_EQ(Px(Grab(bar), 300, 10), kamriFace);
  EXPECT_EQ(Px(Grab(Form.get()), 250, 150), kamriFace);
  TStyleManager::SetStyle(QStringLiteral("Windows"));
}

}  // namespace
