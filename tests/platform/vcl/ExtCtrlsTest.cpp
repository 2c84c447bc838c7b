// Panels, splitters and buttoned edits through the window harness.

#include <QLineEdit>

#include "platform/vcl/ExtCtrls.h"
#include "tests/platform/vcl/StdCtrlsTestSupport.h"
#include "tests/platform/vcl/VclTestSupport.h"

using namespace vcltest;

namespace {

TColor Sys(int Index) { return TColor(GetSysColor(Index)); }

// --- TPanel ----------------------------------------------------------------------

class PanelTest : public StdFormTest {
 protected:
  void SetUp() override {
    StdFormTest::SetUp();
    Panel = Make<TPanel>(20, 20, 100, 60, "panel");
    Pump();
  }
  QImage Shot() {
    Panel->Repaint();
    Pump();
    return Grab(Panel);
  }
  TPanel* Panel = nullptr;
};

TEST_F(PanelTest, BevelPixels) {
  const TColor light = Sys(COLOR_BTNHIGHLIGHT), dark = Sys(COLOR_BTNSHADOW), face = Sys(COLOR_BTNFACE);
  struct TCase {
    TBevelCut Outer;
    TBevelCut Inner;
    int Width;
    TColor TopLeft0;      // ring 0: top and left edges
    TColor BottomRight0;  // ring 0: bottom and right edges
    TColor TopLeft1;      // ring 1
    TColor BottomRight1;
  };
  const TCase cases[] = {
      {bvRaised, bvNone, 1, light, dark, face, face},
      {bvLowered, bvNone, 1, dark, light, face, face},
      {bvNone, bvNone, 1, face, face, face, face},
      {bvRaised, bvNone, 2, light, dark, light, dark},
      {bvLowered, bvRaised, 1, dark, light, light, dark},
      {bvSpace, bvLowered, 1, face, face, dark, light},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(QStringLiteral("%1 %2 %3").arg(c.Outer).arg(c.Inner).arg(c.Width).toStdString());
    Panel->SetBevelOuter(c.Outer);
    Panel->SetBevelInner(c.Inner);
    Panel->SetBevelWidth(c.Width);
    const QImage img = Shot();
    EXPECT_EQ(Px(img, 50, 0), c.TopLeft0);
    EXPECT_EQ(Px(img, 0, 30), c.TopLeft0);
    EXPECT_EQ(Px(img, 50, 59), c.BottomRight0);
    EXPECT_EQ(Px(img, 99, 30), c.BottomRight0);
    EXPECT_EQ(Px(img, 50, 1), c.TopLeft1);
    EXPECT_EQ(Px(img, 98, 30), c.BottomRight1);
    EXPECT_EQ(Px(img, 50, 30), face);
  }
}

TEST_F(PanelTest, ColourCaptionAndBorder) {
  Panel->SetColor(clRed);
  EXPECT_EQ(Px(Shot(), 50, 30), Sys(COLOR_BTNFACE));  // the parent's background wins
  Panel->SetParentBackground(false);
  EXPECT_EQ(Px(Shot(), 50, 30), clRed);
  EXPECT_EQ(Panel->FaceColor(), clRed);

  Panel->SetCaption("Mid");
  QRect ink = Ink(Shot(), clRed);
  ink = ink.intersected(QRect(2, 2, 96, 56));  // inside the bevel
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_NEAR(ink.center().x(), 50, 3);
  EXPECT_NEAR(ink.center().y(), 30, 3);

  Panel->SetCaption("");
  Panel->SetBevelOuter(bvNone);
  Panel->SetBorderStyle(bsSingle);
  EXPECT_EQ(Px(Shot(), 0, 30), Sys(COLOR_WINDOWFRAME));
}

TEST_F(PanelTest, AlignedChildrenStayInsideTheFrame) {
  Panel->SetBevelOuter(bvRaised);
  Panel->SetBevelInner(bvLowered);
  Panel->SetBorderWidth(2);
  auto* child = new TPanel(Form.get());
  child->SetParent(Panel);
  child->SetAlign(alClient);
  EXPECT_EQ(Panel->FrameWidth(), 4);
  EXPECT_EQ(child->BoundsRect(), TRect(4, 4, 96, 56));
  // A child panel on the parent's background takes the parent's colour.
  Panel->SetParentBackground(false);
  Panel->SetColor(clBlue);
  EXPECT_EQ(child->FaceColor(), clBlue);
}

TEST_F(PanelTest, StyleColoursReplaceTheSystemOnes) {
  const QImage windows = GrabIn(Panel, "Windows");
  const QImage amethyst = GrabIn(Panel, "Amethyst Kamri");
  TCustomStyleServices& style = StyleServices();
  EXPECT_EQ(Px(amethyst, 50, 30), style.GetSystemColor(clBtnFace));
  EXPECT_EQ(Px(amethyst, 50, 0), style.GetSystemColor(clBtnHighlight));
  EXPECT_EQ(Px(amethyst, 50, 59), style.GetSystemColor(clBtnShadow));
  EXPECT_NE(Px(amethyst, 50, 30), Px(windows, 50, 30));
}

// --- TSplitter ---------------------------------------------------------------------

class SplitterTest : public StdFormTest {
 protected:
  void SetUp() override {
    StdFormTest::SetUp();
    Left = Make<TPanel>(0, 0, 100, 100, "left");
    Left->SetAlign(alLeft);
    Splitter = Make<TSplitter>(100, 0, 3, 100, "splitter");
    Splitter->SetAlign(alLeft);
    Client = Make<TPanel>(200, 0, 100, 100, "client");
    Client->SetAlign(alClient);
    Splitter->OnMoved = [this](TObject*) { ++Moves; };
    Pump();
  }
  // In the form's coordinates: the mouse does not move with the splitter.
  void DragBy(int Dx) {
    const int x = Splitter->Left() + 1;
    Drag(Form.get(), TPoint(x, 50), TPoint(x + Dx, 50));
  }
  TPanel* Left = nullptr;
  TSplitter* Splitter = nullptr;
  TPanel* Client = nullptr;
  int Moves = 0;
};

TEST_F(SplitterTest, DragResizesTheNeighbour) {
  ASSERT_EQ(Splitter->Left(), 100);
  EXPECT_EQ(Splitter->ResizeControl(), Left);
  for (TResizeStyle style : {rsUpdate, rsPattern, rsLine, rsNone}) {
    SCOPED_TRACE(int(style));
    Left->SetWidth(100);
    Splitter->SetResizeStyle(style);
    Moves = 0;
    DragBy(50);
    EXPECT_EQ(Left->Width(), 150);
    EXPECT_EQ(Splitter->Left(), 150);
    EXPECT_EQ(Client->Left(), 153);
    EXPECT_EQ(Moves, 1);
  }
}

TEST_F(SplitterTest, SizeStaysWithinMinSize) {
  Splitter->SetMinSize(40);
  Splitter->SetAutoSnap(false);
  DragBy(-90);
  EXPECT_EQ(Left->Width(), 40);
  // The rest keeps MinSize too: 400 - 40 - 3.
  DragBy(500);
  EXPECT_EQ(Left->Width(), 357);
  EXPECT_EQ(Client->Width(), 40);
  // With AutoSnap a drag below MinSize collapses the neighbour.
  Splitter->SetAutoSnap(true);
  Left->SetWidth(100);
  DragBy(-80);
  EXPECT_EQ(Left->Width(), 0);
}

TEST_F(SplitterTest, CanResizeMayRefuseAndTopSplittersWork) {
  Splitter->OnCanResize = [](TObject*, int& NewSize, bool& Accept) { Accept = NewSize <= 120; };
  DragBy(50);
  EXPECT_LE(Left->Width(), 120);
  EXPECT_GT(Left->Width(), 100);

  auto* top = Make<TPanel>(0, 0, 100, 60, "top");
  top->SetAlign(alTop);
  auto* bar = Make<TSplitter>(0, 60, 100, 4, "bar");
  bar->SetAlign(alTop);
  bar->SetHeight(4);  // turned from alLeft it still has the whole height
  Pump();
  ASSERT_EQ(bar->ResizeControl(), top);
  EXPECT_EQ(bar->Cursor(), crDefault);
  Moves = 0;
  bar->OnMoved = [&](TObject*) { ++Moves; };
  Drag(Form.get(), TPoint(20, 61), TPoint(20, 91));
  EXPECT_EQ(Moves, 1);
  EXPECT_EQ(top->Height(), 90);
}

TEST_F(SplitterTest, PaintsInTheStyle) {
  Splitter->SetWidth(8);
  Pump();
  const QImage windows = GrabIn(Splitter, "Windows");
  const QImage amethyst = GrabIn(Splitter, "Amethyst Kamri");
  EXPECT_EQ(Px(windows, 4, 50), Sys(COLOR_BTNFACE));
  EXPECT_EQ(Px(amethyst, 4, 50), StyleServices().GetStyleColor(scSplitter));
  EXPECT_NE(windows, amethyst);
}

// --- TButtonedEdit -------------------------------------------------------------------

class ButtonedEditTest : public StdFormTest {
 protected:
  void SetUp() override {
    StdFormTest::SetUp();
    Images = new TImageList(Form.get());
    auto bmp = FilledBitmap(16, 16, clRed);
    Images->Add(bmp.get(), nullptr);
    Edit = Make<TButtonedEdit>(10, 10, 200, 26, "edit");
    Edit->SetImages(Images);
    Edit->RightButton()->SetImageIndex(0);
    Edit->RightButton()->SetVisible(true);
    Edit->LeftButton()->SetImageIndex(0);
    Edit->OnLeftButtonClick = [this](TObject*) { Clicks << "left"; };
    Edit->OnRightButtonClick = [this](TObject*) { Clicks << "right"; };
    Edit->SetText("abc");
    Pump();
  }
  TImageList* Images = nullptr;
  TButtonedEdit* Edit = nullptr;
  QStringList Clicks;
};

TEST_F(ButtonedEditTest, ButtonClicksRunTheirEvents) {
  const TRect right = Edit->ButtonRect(TEditButton::bpRight);
  ASSERT_GT(right.Width(), 0);
  EXPECT_GT(right.Left, 150);
  EXPECT_EQ(Edit->ButtonRect(TEditButton::bpLeft), TRect());  // hidden
  Click(Edit, right.Left + right.Width() / 2, right.Top + right.Height() / 2);
  EXPECT_EQ(Clicks, QStringList{"right"});
  // A click on the text is the edit's.
  Click(Edit, 60, 13);
  EXPECT_EQ(Clicks, QStringList{"right"});
  EXPECT_EQ(Edit->Text(), "abc");
  // Pressed on the button, released elsewhere: no click.
  MouseDown(Edit, right.Left + 2, right.Top + 2);
  MouseUp(Edit, 60, 13);
  EXPECT_EQ(Clicks, QStringList{"right"});

  Edit->LeftButton()->SetVisible(true);
  Pump();
  const TRect left = Edit->ButtonRect(TEditButton::bpLeft);
  ASSERT_GT(left.Width(), 0);
  EXPECT_LT(left.Left, 20);
  Click(Edit, left.Left + left.Width() / 2, left.Top + left.Height() / 2);
  EXPECT_EQ(Clicks, (QStringList{"right", "left"}));
  Edit->LeftButton()->SetEnabled(false);
  Click(Edit, left.Left + left.Width() / 2, left.Top + left.Height() / 2);
  EXPECT_EQ(Clicks.size(), 2);
}

TEST_F(ButtonedEditTest, ImagesShowAndMayGoAway) {
  const TRect right = Edit->ButtonRect(TEditButton::bpRight);
  const QImage img = Grab(Edit);
  EXPECT_GT(Count(img.copy(right.Left, right.Top, right.Width(), right.Height()), clRed), 50);
  delete Images;
  EXPECT_EQ(Edit->Images(), nullptr);
  Edit->UpdateButtons();
  Pump();
  EXPECT_EQ(Count(Grab(Edit), clRed), 0);
  // Typing still works as in a plain edit.
  Edit->SetFocus();
  Key(VK_END);
  Type(QStringLiteral("d"));
  EXPECT_EQ(Edit->Text(), "abcd");
}

// Every control on one form, some owned elsewhere, the focus inside: the form
// takes them all with it (the leak checker of the sanitizer build watches).
TEST(ExtCtrlsLifetime, AFormWithEveryControlGoesAway) {
  TComponent elsewhere(nullptr);
  auto form = std::make_unique<TForm>(nullptr);
  form->SetBounds(0, 0, 300, 300);
  auto* panel = new TPanel(form.get());
  panel->SetParent(form.get());
  panel->SetAlign(alClient);
  QList<TControl*> controls{new TEdit(form.get()), new TMemo(&elsewhere), new TButton(form.get()),
                            new TCheckBox(form.get()), new TRadioButton(&elsewhere), new TLabel(form.get()),
                            new TComboBox(form.get()), new TListBox(&elsewhere), new TScrollBar(form.get()),
                            new TGroupBox(form.get()), new TSplitter(form.get()), new TButtonedEdit(form.get())};
  int top = 0;
  for (TControl* c : controls) {
    c->SetBounds(0, top, 100, 20);
    c->SetParent(panel);
    top += 22;
  }
  auto* label = static_cast<TLabel*>(controls[5]);
  label->SetFocusControl(static_cast<TWinControl*>(controls[1]));
  ASSERT_TRUE(ShowAndActivate(form.get()));
  static_cast<TWinControl*>(controls[1])->SetFocus();
  Pump();
  form.reset();
  Pump();
  EXPECT_EQ(elsewhere.ComponentCount(), 0);
}

TEST(ExtCtrlsPublished, TablesNameTheDesignerProperties) {
  for (const char* p : {"BevelOuter", "BevelInner", "BevelWidth", "BorderStyle", "Color", "ParentBackground", "Caption"})
    EXPECT_NE(ClassInfo<TPanel>()->FindProp(p), nullptr) << p;
  for (const char* p : {"MinSize", "ResizeStyle", "Beveled", "OnMoved", "Align"})
    EXPECT_NE(ClassInfo<TSplitter>()->FindProp(p), nullptr) << p;
  for (const char* p : {"Images", "LeftButton", "RightButton", "OnRightButtonClick", "Text"})
    EXPECT_NE(ClassInfo<TButtonedEdit>()->FindProp(p), nullptr) << p;
  TPanel panel(nullptr);
  SetEnumProp(&panel, "BevelOuter", "bvLowered");
  EXPECT_EQ(panel.BevelOuter(), bvLowered);
  EXPECT_EQ(GetEnumProp(&panel, "BorderStyle"), "bsNone");
}

}  // namespace
