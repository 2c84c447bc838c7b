// Controls: the message machinery, text, alignment and anchors, visibility,
// window creation, painting, windowless children, cursors and a Qt-backed
// child with notification reflection.

#include <QLineEdit>

#include "platform/win32/Gdi.h"
#include "tests/platform/vcl/ControlsTestSupport.h"

using namespace vcltest;

namespace {

// --- the message machinery ----------------------------------------------------

class TCountingControl : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  QStringList Seen;

 protected:
  void Dispatch(TMessage& Message) override {
    if (Message.Msg == WM_USER + 1) {
      Seen << QStringLiteral("derived");
      TCustomControl::Dispatch(Message);  // the inherited handling
      Message.Result += 10;
      return;
    }
    TCustomControl::Dispatch(Message);
  }
  void DefaultHandler(TMessage& Message) override {
    if (Message.Msg == WM_USER + 1) {
      Seen << QStringLiteral("default");
      Message.Result = 1;
      return;
    }
    TCustomControl::DefaultHandler(Message);
  }
};

TEST(ControlMessages, PerformRunsDispatchThenTheDefaultHandler) {
  TCountingControl c(nullptr);
  EXPECT_EQ(c.Perform(WM_USER + 1, 0, 0), 11);
  EXPECT_EQ(c.Seen, (QStringList{"derived", "default"}));
}

TEST(ControlMessages, AReplacedWindowProcSeesEverythingAndCanChainOrSwallow) {
  TCountingControl c(nullptr);
  const TWndMethod old = c.WindowProc();
  QList<UINT> seen;
  c.SetWindowProc([&](TMessage& m) {
    seen << m.Msg;
    if (m.Msg == WM_USER + 2) {
      m.Result = 99;  // swallowed
      return;
    }
    old(m);
  });
  EXPECT_EQ(c.Perform(WM_USER + 2, 0, 0), 99);
  EXPECT_EQ(c.Perform(WM_USER + 1, 0, 0), 11);
  EXPECT_EQ(seen, (QList<UINT>{WM_USER + 2, WM_USER + 1}));
  c.SetWindowProc(old);
  c.Perform(WM_USER + 2, 0, 0);
  EXPECT_EQ(seen.size(), 2);
  c.SetWindowProc(nullptr);  // back to WndProc
  EXPECT_EQ(c.Perform(WM_USER + 1, 0, 0), 11);
}

TEST(ControlMessages, TextGoesThroughGetAndSetTextMessages) {
  TCountingControl c(nullptr);
  int changes = 0;
  c.SetWindowProc([&, old = c.WindowProc()](TMessage& m) {
    if (m.Msg == CM_TEXTCHANGED) ++changes;
    old(m);
  });
  c.SetText(QStringLiteral("Straße ✓"));
  c.SetText(QStringLiteral("Straße ✓"));
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(c.Text(), QStringLiteral("Straße ✓"));
  EXPECT_EQ(c.Perform(WM_GETTEXTLENGTH, 0, 0), 8);
  WCHAR small[4];
  EXPECT_EQ(c.Perform(WM_GETTEXT, 4, reinterpret_cast<LPARAM>(small)), 3);
  EXPECT_EQ(QString::fromUtf16(small), QStringLiteral("Str"));
  EXPECT_EQ(c.Perform(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(small)), 0);
}

TEST(ControlMessages, ChildrenAreListedAndRangeChecked) {
  TForm form(nullptr);
  auto* a = new TCountingControl(&form);
  a->SetParent(&form);
  EXPECT_EQ(form.ControlCount(), 1);
  EXPECT_EQ(form.Controls(0), a);
  EXPECT_THROW(form.Controls(1), EListError);
  EXPECT_THROW(a->SetParent(a), EInvalidOperation);
  EXPECT_TRUE(form.ContainsControl(a));
  delete a;
  EXPECT_EQ(form.ControlCount(), 0);
}

TEST(ControlMessages, AChildWithoutParentHasNoWindow) {
  TCountingControl c(nullptr);
  c.SetName(QStringLiteral("orphan"));
  EXPECT_EQ(testsupport::MessageOf([&] { c.Handle(); }),
            QStringLiteral("EInvalidOperation: Control 'orphan' has no parent window"));
}

// --- alignment and anchors ---------------------------------------------------------

class LayoutTest : public ::testing::Test {
 protected:
  TControl* Child(int l, int t, int w, int h, TAlign a = alNone) {
    auto* c = new TCountingControl(&Form);
    c->SetBounds(l, t, w, h);
    c->SetParent(&Form);
    c->SetAlign(a);
    return c;
  }
  TForm Form{nullptr};
};

TEST_F(LayoutTest, AlignedChildrenShareTheClientArea) {
  Form.SetBounds(0, 0, 400, 300);
  TControl* top = Child(0, 0, 10, 30, alTop);
  TControl* top2 = Child(0, 50, 10, 20, alTop);
  TControl* bottom = Child(0, 0, 10, 40, alBottom);
  TControl* left = Child(0, 0, 50, 10, alLeft);
  TControl* right = Child(0, 0, 60, 10, alRight);
  TControl* client = Child(0, 0, 1, 1, alClient);
  EXPECT_EQ(top->BoundsRect(), TRect(0, 0, 400, 30));
  EXPECT_EQ(top2->BoundsRect(), TRect(0, 30, 400, 50));
  EXPECT_EQ(bottom->BoundsRect(), TRect(0, 260, 400, 300));
  EXPECT_EQ(left->BoundsRect(), TRect(0, 50, 50, 260));
  EXPECT_EQ(right->BoundsRect(), TRect(340, 50, 400, 260));
  EXPECT_EQ(client->BoundsRect(), TRect(50, 50, 340, 260));
  Form.SetBounds(0, 0, 500, 400);
  EXPECT_EQ(client->BoundsRect(), TRect(50, 50, 440, 360));
  top2->SetVisible(false);  // invisible controls take no room
  EXPECT_EQ(client->BoundsRect(), TRect(50, 30, 440, 360));
}

TEST_F(LayoutTest, AnchorsKeepDistancesWhenTheParentResizes) {
  Form.SetBounds(0, 0, 400, 300);
  struct TCase {
    TAnchors Anchors;
    TRect Expected;
  };
  const TCase cases[] = {
      {{akLeft, akTop}, TRect(100, 100, 150, 130)},
      {{akRight, akTop}, TRect(200, 100, 250, 130)},
      {{akLeft, akRight, akTop}, TRect(100, 100, 250, 130)},
      {{akLeft, akTop, akBottom}, TRect(100, 100, 150, 230)},
      {{akRight, akBottom}, TRect(200, 200, 250, 230)},
      {{}, TRect(150, 150, 200, 180)},  // neither side: keeps its relative place
  };
  std::vector<TControl*> children;
  for (const TCase& c : cases) {
    TControl* child = Child(100, 100, 50, 30);
    child->SetAnchors(c.Anchors);
    children.push_back(child);
  }
  Form.SetBounds(0, 0, 500, 400);
  for (size_t i = 0; i < children.size(); ++i) EXPECT_EQ(children[i]->BoundsRect(), cases[i].Expected) << i;
  Form.SetBounds(0, 0, 400, 300);  // and back
  for (TControl* c : children) EXPECT_EQ(c->BoundsRect().TopLeft().Y >= 100, true);
  EXPECT_EQ(children[2]->BoundsRect(), TRect(100, 100, 150, 130));
}

// --- visibility, windows -------------------------------------------------------------

TEST_F(VclFormTest, VisibleIsTheControlsOwnFlag) {
  auto* panel = new TCustomControl(Form.get());
  panel->SetBounds(0, 100, 200, 100);
  panel->SetParent(Form.get());
  auto* inner = new TRecordingControl(Form.get(), &Events, QStringLiteral("inner"));
  inner->SetParent(panel);
  EXPECT_TRUE(inner->Showing());
  panel->SetVisible(false);
  EXPECT_TRUE(inner->Visible());
  EXPECT_FALSE(inner->Showing());
  EXPECT_FALSE(inner->CanFocus());
  panel->SetVisible(true);
  EXPECT_TRUE(inner->Showing());
  Form->Hide();
  EXPECT_TRUE(inner->Visible());
  EXPECT_FALSE(inner->Showing());
  EXPECT_FALSE(IsWindowVisible(inner->Handle()));
}

class TStyledControl : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  DWORD ExtraStyle = 0;
  DWORD SeenStyle = 0;
  QWidget* Created = nullptr;

 protected:
  void CreateParams(TCreateParams& Params) override {
    TCustomControl::CreateParams(Params);
    Params.Style |= ExtraStyle;
    SeenStyle = Params.Style;
  }
  QWidget* CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) override {
    Created = TCustomControl::CreateWidget(Params, ParentWidget);
    Created->setObjectName(QString::number(Params.Style, 16));
    return Created;
  }
};

TEST_F(VclFormTest, RecreateWndAppliesNewParamsAndKeepsFocus) {
  auto* s = new TStyledControl(Form.get());
  s->SetName(QStringLiteral("styled"));
  s->SetBounds(10, 100, 80, 40);
  s->SetTabStop(true);
  s->SetParent(Form.get());
  TMessageLog log;
  log.Attach(s);
  const HWND first = s->Handle();
  EXPECT_TRUE(s->SeenStyle & WS_CHILD);
  EXPECT_TRUE(s->SeenStyle & WS_TABSTOP);
  s->SetFocus();
  Pump();
  ASSERT_TRUE(s->Focused());
  s->ExtraStyle = WS_BORDER;
  log.Clear();
  s->RecreateWnd();
  Pump();
  EXPECT_NE(s->Handle(), first);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_TRUE(s->SeenStyle & WS_BORDER);
  EXPECT_EQ(s->Widget()->objectName().toUInt(nullptr, 16), s->SeenStyle);
  EXPECT_EQ(s->Widget()->geometry(), QRect(10, 100, 80, 40));
  EXPECT_TRUE(s->Focused());
  EXPECT_EQ(log.Lines({WM_DESTROY, WM_CREATE, WM_SETFOCUS}).mid(0, 2),
            (QStringList{"styled WM_DESTROY 0", "styled WM_CREATE 0"}));
}

TEST_F(VclFormTest, RecreatingInsideOwnHandlerIsSafe) {
  A->OnClick = [this](TObject*) { A->RecreateWnd(); };
  const HWND before = A->Handle();
  Click(A, 5, 5);
  Pump();
  EXPECT_NE(A->Handle(), before);
  Click(A, 5, 5);  // the new window works
  EXPECT_EQ(Events.count(QStringLiteral("a Click")), 2);
}

// --- painting -----------------------------------------------------------------------

class TRedBox : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  int Paints = 0;

 protected:
  void Paint() override {
    ++Paints;
    Canvas()->Brush()->SetColor(clRed);
    Canvas()->FillRect(TRect(0, 0, Width(), Height()));
  }
};

TEST_F(VclFormTest, CustomControlsPaintIntoTheirBackBufferThroughTheCanvas) {
  A->Repaint();
  EXPECT_GE(A->Paints, 1);
  const QImage shot = Grab(A);
  ASSERT_FALSE(shot.isNull());
  EXPECT_EQ(shot.pixelColor(50, 25), QColor(0, 0, 255));
  EXPECT_EQ(A->BackBuffer().pixelColor(1, 1), QColor(0, 0, 255));
  TInvalidationLog invalidations;
  A->Invalidate();
  EXPECT_EQ(invalidations.CountFor(A->Handle()), 1);
  EXPECT_TRUE(invalidations.Entries()[0].Whole);
}

TEST_F(VclFormTest, WindowlessControlsArePaintedByTheirParentAtTheirPlace) {
  auto* box = new TRedBox(Form.get());
  box->SetBounds(20, 100, 30, 20);
  box->SetParent(Form.get());
  TInvalidationLog invalidations;
  box->Invalidate();
  ASSERT_EQ(invalidations.Entries().size(), 1u);
  EXPECT_EQ(invalidations.Entries()[0].Window, Form->Handle());
  EXPECT_EQ(invalidations.Entries()[0].Rect, TRect(20, 100, 50, 120));
  Form->Repaint();
  EXPECT_GE(box->Paints, 1);
  const QImage form = Grab(Form.get());
  EXPECT_EQ(form.pixelColor(25, 105), QColor(255, 0, 0));
  EXPECT_EQ(form.pixelColor(49, 119), QColor(255, 0, 0));
  EXPECT_NE(form.pixelColor(50, 120), QColor(255, 0, 0));  // right and bottom edges excluded
  EXPECT_EQ(Grab(box).pixelColor(0, 0), QColor(255, 0, 0));
  testsupport::TempDir dir;
  ASSERT_TRUE(GrabToPng(Form.get(), dir.File(QStringLiteral("form.png"))));
  QImage saved(dir.File(QStringLiteral("form.png")));
  EXPECT_EQ(saved.size(), QSize(400, 300));
  EXPECT_EQ(saved.pixelColor(25, 105), QColor(255, 0, 0));
}

TEST_F(VclFormTest, WindowlessChildrenGetMouseMessagesInTheirOwnCoordinates) {
  auto* box = new TRedBox(Form.get());
  box->SetName(QStringLiteral("box"));
  box->SetBounds(20, 100, 30, 20);
  box->SetParent(Form.get());
  QStringList seen;
  box->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) { seen << QStringLiteral("down %1,%2").arg(x).arg(y); };
  box->OnClick = [&](TObject*) { seen << QStringLiteral("click"); };
  box->OnMouseEnter = [&](TObject*) { seen << QStringLiteral("enter"); };
  box->OnMouseLeave = [&](TObject*) { seen << QStringLiteral("leave"); };
  MouseMove(Form.get(), 5, 5);
  MouseMove(Form.get(), 25, 105);
  Click(box, 3, 4);
  MouseMove(Form.get(), 5, 5);
  EXPECT_EQ(seen, (QStringList{"enter", "down 3,4", "click", "leave"}));
}

TEST_F(VclFormTest, SetCursorAppliesTheCursorOfTheControlUnderTheMouse) {
  auto* box = new TRedBox(Form.get());
  box->SetBounds(20, 100, 30, 20);
  box->SetParent(Form.get());
  box->SetCursor(crHandPoint);
  MouseMove(Form.get(), 25, 105);
  EXPECT_EQ(Form->AppliedCursor(), crHandPoint);
  EXPECT_EQ(Form->Widget()->cursor().shape(), Qt::PointingHandCursor);
  MouseMove(Form.get(), 5, 5);
  EXPECT_EQ(Form->AppliedCursor(), crArrow);
  A->SetCursor(crIBeam);
  MouseMove(A, 5, 5);
  EXPECT_EQ(A->AppliedCursor(), crIBeam);
  Screen->SetCursor(crHourGlass);  // the screen's cursor wins everywhere
  MouseMove(A, 6, 5);
  Screen->SetCursor(crDefault);
  EXPECT_EQ(A->AppliedCursor(), crHourGlass);
}

// --- a Qt-backed child -----------------------------------------------------------------

// An edit over QLineEdit, as the standard controls build them: Qt does the
// editing, changes come back as EN_CHANGE through the parent.
class TTestEdit : public TWinControl {
 public:
  explicit TTestEdit(TComponent* AOwner) : TWinControl(AOwner) {
    FQtBacked = true;
    FTabStop = true;
  }
  QStringList Changes;
  QLineEdit* Edit() { return static_cast<QLineEdit*>(Widget()); }

 protected:
  QWidget* CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) override {
    auto* edit = new THostWidget<QLineEdit>(this, ParentWidget);
    edit->setText(Params.Caption);
    QObject::connect(edit, &QLineEdit::textChanged, [this] { SendParentCommand(EN_CHANGE); });
    return edit;
  }
  void CNCommand(TMessage& Message) {
    if (Message.WParamHi() == EN_CHANGE) Changes << Edit()->text();
  }
  void CNNotify(TMessage& Message) {
    Changes << QStringLiteral("notify %1").arg(reinterpret_cast<NMHDR*>(Message.LParam)->code);
    Message.Result = 5;
  }
  void WMUserNotify(TMessage& Message) { Message.Result = SendParentNotify(UINT(Message.WParam)); }
  void WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL; }
  void WMGetTextLength(TMessage& Message) { Message.Result = Edit()->text().size(); }
  void WMGetText(TMessage& Message) {
    const QString t = Edit()->text().left(qsizetype(Message.WParam) - 1);
    std::copy_n(reinterpret_cast<const WCHAR*>(t.utf16()), t.size() + 1, reinterpret_cast<WCHAR*>(Message.LParam));
    Message.Result = t.size();
  }

 public:
  TF_DECLARE_MESSAGES(TTestEdit)
};

TF_MESSAGE_MAP(TTestEdit, TWinControl) {
  return {
      TF_MESSAGE(CN_COMMAND, CNCommand),
      TF_MESSAGE(CN_NOTIFY, CNNotify),
      TF_MESSAGE(WM_USER + 20, WMUserNotify),
      TF_MESSAGE(WM_GETDLGCODE, WMGetDlgCode),
      TF_MESSAGE(WM_GETTEXTLENGTH, WMGetTextLength),
      TF_MESSAGE(WM_GETTEXT, WMGetText),
  };
}

class QtBackedTest : public VclFormTest {
 protected:
  void SetUp() override {
    VclFormTest::SetUp();
    Edit = new TTestEdit(Form.get());
    Edit->SetName(QStringLiteral("edit"));
    Edit->SetBounds(10, 200, 150, 24);
    Edit->SetParent(Form.get());
    Edit->SetFocus();
    Pump();
    Log.Attach(Form.get());
    Log.Attach(Edit);
  }
  TTestEdit* Edit = nullptr;
  TMessageLog Log;
};

TEST_F(QtBackedTest, TypingReachesQtAndChangesComeBackReflected) {
  ASSERT_TRUE(Edit->Focused());
  Type(QStringLiteral("ab"));
  EXPECT_EQ(Edit->Text(), QStringLiteral("ab"));
  EXPECT_EQ(Edit->Changes, (QStringList{"a", "ab"}));
  // The parent gets WM_COMMAND, the edit the reflected CN_COMMAND.
  EXPECT_EQ(Log.Lines({WM_COMMAND, CN_COMMAND}).size(), 4);
  EXPECT_TRUE(Log.Lines({WM_COMMAND, CN_COMMAND})[0].startsWith(u"form WM_COMMAND"));
  EXPECT_TRUE(Log.Lines({WM_COMMAND, CN_COMMAND})[1].startsWith(u"edit CN_COMMAND"));
  // Navigation keys go to Qt with WM_KEYDOWN.
  Key(VK_HOME);
  Type(QStringLiteral("x"));
  EXPECT_EQ(Edit->Text(), QStringLiteral("xab"));
}

TEST_F(QtBackedTest, NotificationsAreReflectedWithTheirResult) {
  EXPECT_EQ(Edit->Perform(WM_USER + 20, 1234, 0), 5);
  EXPECT_EQ(Edit->Changes, QStringList{"notify 1234"});
  EXPECT_EQ(Log.Lines({WM_NOTIFY, CN_NOTIFY}), (QStringList{"form WM_NOTIFY 0", "edit CN_NOTIFY 0"}));
  // A command from a window that is not a child stays with the parent.
  EXPECT_EQ(Form->Perform(WM_COMMAND, MAKEWPARAM(0, EN_CHANGE), 0), 0);
  EXPECT_EQ(Log.Lines({CN_COMMAND}).size(), 0);
}

TEST_F(QtBackedTest, KeyPressCanDropOrReplaceTheCharacter) {
  Edit->OnKeyPress = [](TObject*, QChar& key) {
    if (key == u'z') key = QChar();
    else key = key.toUpper();
  };
  Type(QStringLiteral("azb"));
  EXPECT_EQ(Edit->Text(), QStringLiteral("AB"));
}

TEST_F(QtBackedTest, SentAndPostedKeyMessagesReachQt) {
  PostMessage(Edit->Handle(), WM_CHAR, u'q', 0);
  Pump();
  Edit->Perform(WM_CHAR, u'r', 0);
  EXPECT_EQ(Edit->Text(), QStringLiteral("qr"));
  Edit->Perform(WM_KEYDOWN, VK_HOME, 0);
  Edit->Perform(WM_CHAR, u's', 0);
  EXPECT_EQ(Edit->Text(), QStringLiteral("sqr"));
  Edit->Perform(WM_CHAR, 8, 0);  // backspace
  EXPECT_EQ(Edit->Text(), QStringLiteral("qr"));
}

TEST_F(QtBackedTest, TabLeavesTheEditAndClicksFocusIt) {
  Key(VK_TAB);
  EXPECT_TRUE(A->Focused());
  EXPECT_EQ(Log.Lines({WM_KILLFOCUS}), QStringList{"edit WM_KILLFOCUS a"});
  Click(Edit, 5, 5);
  EXPECT_TRUE(Edit->Focused());
}

}  // namespace
