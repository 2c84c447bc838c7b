// Forms, the application, the screen and the mouse; creating and destroying
// forms leaves no window behind.

#include <QApplication>
#include <QScreen>

#include "platform/vcl/ExtCtrlsBase.h"
#include "tests/platform/vcl/ControlsTestSupport.h"

using namespace vcltest;

namespace {

class TEventForm : public TForm {
 public:
  explicit TEventForm(TComponent* AOwner) : TForm(AOwner) {}
};

class FormsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    Pump();
    ResetInputKeyState();
  }
};

TEST_F(FormsTest, LifeCycleEventsFireInOrder) {
  QStringList events;
  bool destroyed = false;
  {
    TComponent owner(nullptr);
    auto* form = Application->CreateForm<TEventForm>();
    delete form;  // CreateForm made it the main form; it goes away again
    EXPECT_EQ(Application->MainForm(), nullptr);

    auto* f = new TEventForm(&owner);
    f->OnCreate = [&](TObject*) { events << "create"; };
    f->OnShow = [&](TObject*) { events << "show"; };
    f->OnHide = [&](TObject*) { events << "hide"; };
    f->OnResize = [&](TObject*) { events << "resize"; };
    f->OnDestroy = [&](TObject*) {
      events << "destroy";
      destroyed = true;
    };
    f->AfterConstruction();
    f->AfterConstruction();  // once only
    f->SetBounds(0, 0, 300, 200);
    ASSERT_TRUE(ShowAndActivate(f));
    f->Hide();
  }
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(events, (QStringList{"create", "resize", "show", "hide", "destroy"}));
}

TEST_F(FormsTest, ResizingTheWindowReachesOnResizeAndRealigns) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  auto* client = new TCustomControl(&form);
  client->SetParent(&form);
  client->SetAlign(alClient);
  int resizes = 0;
  form.OnResize = [&](TObject*) { ++resizes; };
  ASSERT_TRUE(ShowAndActivate(&form));
  form.Widget()->resize(350, 250);  // as a user would
  Pump();
  EXPECT_EQ(form.Width(), 350);
  EXPECT_EQ(form.Height(), 250);
  EXPECT_GE(resizes, 1);
  EXPECT_EQ(client->BoundsRect(), TRect(0, 0, 350, 250));
}

TEST_F(FormsTest, ShowModalReturnsTheModalResultSetFromTheLoop) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 100);
  auto* button = new TRecordingControl(&form, nullptr, QStringLiteral("ok"));
  button->SetParent(&form);
  QStringList events;
  form.OnShow = [&](TObject*) {
    events << "show";
    PostMessage(form.Handle(), WM_USER + 1, 0, 0);
  };
  int queries = 0;
  form.OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++queries > 1; };
  form.OnClose = [&](TObject*, TCloseAction& action) { events << QStringLiteral("close %1").arg(int(action)); };
  form.SetWindowProc([&, old = form.WindowProc()](TMessage& m) {
    if (m.Msg == WM_USER + 1) {
      // First attempt refused by OnCloseQuery; the loop goes on.
      form.SetModalResult(mrOk);
      if (queries == 0) PostMessage(form.Handle(), WM_USER + 1, 0, 0);
      return;
    }
    old(m);
  });
  EXPECT_EQ(form.ShowModal(), mrOk);
  EXPECT_EQ(queries, 2);
  EXPECT_EQ(events, (QStringList{"show", "close 1"}));
  EXPECT_FALSE(form.Visible());
  EXPECT_FALSE(form.FormState().Contains(fsModal));
  // Close on a modal form means Cancel.
  form.OnCloseQuery = nullptr;
  form.OnShow = [&](TObject*) { QMetaObject::invokeMethod(qApp, [&] { form.Close(); }, Qt::QueuedConnection); };
  EXPECT_EQ(form.ShowModal(), mrCancel);
  form.OnShow = nullptr;
  form.Show();
  EXPECT_EQ(testsupport::MessageOf([&] { form.ShowModal(); }),
            QStringLiteral("EInvalidOperation: Cannot make a visible window modal"));
}

TEST_F(FormsTest, CloseAsksThenHidesOrFrees) {
  TComponent owner(nullptr);
  auto* form = new TForm(&owner);
  bool destroyed = false;
  form->OnDestroy = [&](TObject*) { destroyed = true; };
  bool allow = false;
  form->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = allow; };
  TCloseAction chosen = caHide;
  form->OnClose = [&](TObject*, TCloseAction& action) { action = chosen; };
  ASSERT_TRUE(ShowAndActivate(form));
  form->Close();
  EXPECT_TRUE(form->Visible());
  allow = true;
  form->Close();
  EXPECT_FALSE(form->Visible());
  form->Show();
  chosen = caNone;
  form->Close();
  EXPECT_TRUE(form->Visible());
  chosen = caFree;
  form->Close();
  EXPECT_FALSE(destroyed);  // released once its messages are handled
  Pump();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(owner.ComponentCount(), 0);
}

TEST_F(FormsTest, TheWindowCloseButtonGoesThroughClose) {
  TForm form(nullptr);
  bool asked = false;
  form.OnCloseQuery = [&](TObject*, bool& canClose) {
    asked = true;
    canClose = false;
  };
  ASSERT_TRUE(ShowAndActivate(&form));
  form.Widget()->close();
  Pump();
  EXPECT_TRUE(asked);
  EXPECT_TRUE(form.Visible());
  EXPECT_TRUE(form.Widget()->isVisible());
}

TEST_F(VclFormTest, AltF4ClosesTheFormOfTheFocusedControl) {
  int asked = 0;
  Form->OnCloseQuery = [&](TObject*, bool& canClose) {
    ++asked;
    canClose = false;
  };
  ASSERT_TRUE(A->Focused());
  Key(VK_F4, TShiftState{ssAlt});
  EXPECT_EQ(asked, 1);
  Key(VK_F4);
  EXPECT_EQ(asked, 1);
}

TEST_F(FormsTest, PositionBorderStyleFormStyleAndWindowState) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 100);
  form.SetPosition(poScreenCenter);
  form.SetBorderStyle(bsDialog);
  form.SetFormStyle(fsStayOnTop);
  ASSERT_TRUE(ShowAndActivate(&form));
  const TRect work = Screen->WorkAreaRect();
  EXPECT_EQ(form.Left(), work.Left + (work.Width() - 200) / 2);
  EXPECT_EQ(form.Top(), work.Top + (work.Height() - 100) / 2);
  const Qt::WindowFlags flags = form.Widget()->windowFlags();
  EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
  EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
  form.SetBorderStyle(bsNone);
  EXPECT_TRUE(form.Widget()->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(form.Widget()->isVisible());
  form.SetFormStyle(fsNormal);
  EXPECT_FALSE(form.Widget()->windowFlags() & Qt::WindowStaysOnTopHint);
  form.SetWindowState(wsMaximized);
  Pump();
  EXPECT_TRUE(form.Widget()->isMaximized());
  EXPECT_EQ(form.WindowState(), wsMaximized);
  form.SetWindowState(wsNormal);
  Pump();
  EXPECT_FALSE(form.Widget()->isMaximized());
}

TEST_F(VclFormTest, TheFirstTabStopGetsTheFocusWhenAFormOpens) {
  EXPECT_EQ(Form->ActiveControl(), A);
  EXPECT_TRUE(A->Focused());
  EXPECT_EQ(Screen->ActiveForm(), Form.get());
  EXPECT_EQ(Screen->ActiveControl(), A);
  Form->SetActiveControl(C);
  EXPECT_TRUE(C->Focused());
  TForm other(nullptr);
  auto* stranger = new TRecordingControl(&other, &Events, QStringLiteral("stranger"));
  stranger->SetParent(&other);
  EXPECT_THROW(Form->SetActiveControl(stranger), EInvalidOperation);
  B->SetEnabled(false);
  EXPECT_EQ(testsupport::MessageOf([&] { B->SetFocus(); }),
            QStringLiteral("EInvalidOperation: Cannot focus a disabled or invisible window"));
  delete C;
  C = nullptr;
  EXPECT_EQ(Form->ActiveControl(), nullptr);
}

TEST_F(FormsTest, ScreenAndMouse) {
  EXPECT_EQ(Screen->PixelsPerInch(), 96);
  ASSERT_GE(Screen->MonitorCount(), 1);
  const TMonitor m = Screen->Monitors(0);
  EXPECT_GT(m.Width(), 0);
  EXPECT_EQ(m.PixelsPerInch(), 96);
  EXPECT_THROW(Screen->Monitors(Screen->MonitorCount()), EListError);
  EXPECT_EQ(Screen->Width(), QGuiApplication::primaryScreen()->geometry().width());
  const int forms = Screen->FormCount();
  {
    TForm f(nullptr);
    EXPECT_EQ(Screen->FormCount(), forms + 1);
    EXPECT_EQ(Screen->Forms(forms), &f);
    f.SetBounds(40, 50, 100, 100);
    ASSERT_TRUE(ShowAndActivate(&f));
    MouseMove(&f, 7, 8);
    const TPoint p = Mouse->CursorPos();
    EXPECT_EQ(f.ScreenToClient(p), TPoint(7, 8));
  }
  EXPECT_EQ(Screen->FormCount(), forms);
  EXPECT_EQ(Screen->Cursors(crHandPoint).shape(), Qt::PointingHandCursor);
  Screen->SetCursors(5, QCursor(Qt::CrossCursor));
  EXPECT_EQ(Screen->Cursors(5).shape(), Qt::CrossCursor);
  EXPECT_EQ(Mouse->WheelScrollLines(), QApplication::wheelScrollLines());
}

TEST_F(FormsTest, ApplicationMessageBoxesGoThroughTheDialogService) {
  TSeamRecorder seams;
  seams.Dialogs.Answers << mrNo;
  EXPECT_EQ(Application->MessageBox(QStringLiteral("Save?"), QStringLiteral("Leads"), MB_YESNO), IDNO);
  EXPECT_EQ(Application->MessageBox(QStringLiteral("Again?"), QStringLiteral("Leads"), MB_YESNO | MB_DEFBUTTON2),
            IDNO);
  ASSERT_EQ(seams.Dialogs.Requests.size(), 2);
  EXPECT_EQ(seams.Dialogs.Requests[1].Text, QStringLiteral("Again?"));
  EXPECT_EQ(seams.Dialogs.Requests[1].Buttons, (QList<TModalResult>{mrYes, mrNo}));
  ShellExecute(nullptr, QStringLiteral("open"), QStringLiteral("https://example.test/"), QString(), QString(), SW_SHOW);
  MessageBeep(0);
  EXPECT_EQ(seams.Shell.Opened, QList<QUrl>{QUrl(QStringLiteral("https://example.test/"))});
  EXPECT_EQ(seams.Shell.MessageBeeps.size(), 1);
}

TEST_F(FormsTest, RunEndsWhenTheMainFormClosesAndFreesTheForms) {
  TManualClock clock;
  auto* main = Application->CreateForm<TForm>();
  bool destroyed = false;
  main->OnDestroy = [&](TObject*) { destroyed = true; };
  ASSERT_EQ(Application->MainForm(), main);
  auto* closer = new TTimer(main);
  closer->SetInterval(10);
  closer->SetOnTimer([&](TObject*) { main->Close(); });
  QMetaObject::invokeMethod(qApp, [&] { clock.Advance(10); }, Qt::QueuedConnection);
  Application->Run();
  EXPECT_TRUE(Application->Terminated());
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST_F(FormsTest, CreatingAndDestroyingFormsLeavesNoWindowsOrTimers) {
  const int handles = WindowHandleCount();
  const int timers = TScheduler::Instance().ActiveCount();
  const int forms = Screen->FormCount();
  for (int i = 0; i < 10; ++i) {
    auto form = std::make_unique<TForm>(nullptr);
    QStringList events;
    for (int j = 0; j < 5; ++j) {
      auto* c = new TRecordingControl(form.get(), &events, QStringLiteral("c%1").arg(j));
      c->SetBounds(j * 20, 0, 20, 20);
      c->SetParent(form.get());
      SetTimer(c->Handle(), 1, 100, nullptr);
    }
    auto* timer = new TTimer(form.get());
    timer->SetOnTimer([](TObject*) {});
    ASSERT_TRUE(ShowAndActivate(form.get()));
    PostMessage(form->Handle(), WM_USER, 0, 0);
  }
  Pump();
  EXPECT_EQ(WindowHandleCount(), handles);
  EXPECT_EQ(TScheduler::Instance().ActiveCount(), timers);
  EXPECT_EQ(Screen->FormCount(), forms);
}

}  // namespace
