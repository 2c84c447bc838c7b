// Forms, the application, the screen and the mouse.

#include "platform/vcl/Forms.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QWindowStateChangeEvent>

#include "platform/rtl/SysUtils.h"
#include "platform/win32/Scheduler.h"
#include "platform/vcl/ControlsConsts.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Menus.h"

// The top-level window of a form with a menu: the menu bar above the form's
// own widget, which stays the form's client area.
class TFormFrame : public QWidget {
 public:
  explicit TFormFrame(TCustomForm* AForm) : Form(AForm) { setAttribute(Qt::WA_QuitOnClose, false); }
  TCustomForm* Form;
  int EventDepth = 0;

 protected:
  bool event(QEvent* e) override {
    if (!Form) return QWidget::event(e);
    bool handled = false;
    ++EventDepth;
    CallGuarded([&] { handled = Form->FrameEvent(e); });
    --EventDepth;
    return handled || QWidget::event(e);
  }
};

namespace {
void DisposeFrame(QWidget* Frame) {
  auto* frame = static_cast<TFormFrame*>(Frame);
  if (!frame) return;
  frame->Form = nullptr;
  frame->hide();
  if (frame->EventDepth > 0) frame->deleteLater();
  else delete frame;
}
}  // namespace

namespace {
TApplication GApplication(nullptr);
TScreen GScreen(nullptr);
TMouse GMouse;

TRect ToRect(const QRect& r) { return TRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height()); }
}  // namespace

TApplication* Application = &GApplication;
TScreen* Screen = &GScreen;
TMouse* Mouse = &GMouse;

// ---------------------------------------------------------------------------
// TCustomFrame

TCustomFrame::TCustomFrame(TComponent* AOwner) : TWinControl(AOwner) {
  FWidth = 320;
  FHeight = 240;
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
}

// ---------------------------------------------------------------------------
// TCustomForm

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
  FVisible = false;
  FParentFont = false;  // a form has its own font, also when embedded
  FWidth = 320;
  FHeight = 240;
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  Screen->FForms.append(this);
}

TCustomForm::~TCustomForm() {
  Destroying();
  if (FModalLoop) FModalLoop->exit(0);
  if (FModalDestroyed) *FModalDestroyed = true;
  if (OnDestroy) CallGuarded([this] { OnDestroy(this); });
  Screen->FForms.removeOne(this);
  if (Application->MainForm() == this) Application->SetMainForm(nullptr);
  DestroyHandle();
}

void TCustomForm::AfterConstruction() {
  TWinControl::AfterConstruction();
  if (FCreated) return;
  FCreated = true;
  if (OnCreate) OnCreate(this);
}

void TCustomForm::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.Style &= ~(WS_CHILD | WS_VISIBLE);
  Params.WndParent = nullptr;
  switch (FBorderStyle) {
    case bsNone: Params.Style |= WS_POPUP; break;
    case bsSingle: Params.Style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_BORDER; break;
    case bsSizeable: Params.Style |= WS_OVERLAPPEDWINDOW; break;
    case bsDialog:
      Params.Style |= WS_POPUP | WS_CAPTION | WS_SYSMENU;
      Params.ExStyle |= WS_EX_DLGMODALFRAME;
      break;
    case bsToolWindow:
      Params.Style |= WS_CAPTION | WS_SYSMENU;
      Params.ExStyle |= WS_EX_TOOLWINDOW;
      break;
    case bsSizeToolWin:
      Params.Style |= WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
      Params.ExStyle |= WS_EX_TOOLWINDOW;
      break;
  }
  if (FFormStyle == fsStayOnTop) Params.ExStyle |= WS_EX_TOPMOST;
}

QWidget* TCustomForm::CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) {
  QWidget* frame = nullptr;
  if (FMenu) {
    frame = new TFormFrame(this);
    FFrame = frame;
    FMenuBar = FMenu->CreateMenuBar(frame);
  }
  auto* w = new THostWidget<QWidget>(this, frame);
  w->setFocusPolicy(Qt::NoFocus);
  w->setMouseTracking(true);
  w->setAttribute(Qt::WA_QuitOnClose, false);
  return w;
}

void TCustomForm::ApplyCreateParams(const TCreateParams& Params) {
  ApplyWindowFlags();
  QWidget* w = WidgetIfAllocated();
  if (FFrame) PlaceFrame();
  else w->setGeometry(Params.X, Params.Y, Params.Width, Params.Height);
  w->setEnabled(!(Params.Style & WS_DISABLED));
  WindowFrame()->setWindowTitle(Params.Caption);
}

void TCustomForm::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  Invalidate();
}


QWidget* TCustomForm::WindowFrame() const {
  QWidget* w = WidgetIfAllocated();
  if (!w) return nullptr;
  return FFrame ? FFrame.data() : w;
}

QMenuBar* TCustomForm::MenuBar() const { return static_cast<QMenuBar*>(FMenuBar.data()); }

void TCustomForm::SetMenu(TMainMenu* Value) {
  if (FMenu == Value) return;
  if (FMenu) FMenu->RemoveFreeNotification(this);
  FMenu = Value;
  if (FMenu) FMenu->FreeNotification(this);
  UpdateMenuFrame();
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FMenu) {
    FMenu = nullptr;
    if (!ComponentState().Contains(csDestroying)) UpdateMenuFrame();
  }
}

bool TCustomForm::IsShortCut(TMessage& Message) {
  bool handled = false;
  if (OnShortCut) {
    TWMKey key(Message);
    OnShortCut(key, handled);
  }
  if (handled) return true;
  return FMenu && FMenu->IsShortCut(Message);
}

int TCustomForm::MenuBarHeight(int Width) const {
  QWidget* bar = FMenuBar.data();
  if (!bar) return 0;
  bar->ensurePolished();
  return std::max(bar->sizeHint().height(), bar->heightForWidth(std::max(Width, 1)));
}

void TCustomForm::PlaceFrame() {
  QWidget* frame = FFrame.data();
  if (!frame) return;
  const int h = MenuBarHeight(FWidth);
  frame->setGeometry(FLeft, FTop - h, FWidth, FHeight + h);
  LayoutFrame();
}

void TCustomForm::LayoutFrame() {
  QWidget* frame = FFrame.data();
  QWidget* w = WidgetIfAllocated();
  if (!frame || !w) return;
  const int h = MenuBarHeight(frame->width());
  if (QWidget* bar = FMenuBar.data()) bar->setGeometry(0, 0, frame->width(), h);
  w->setGeometry(0, h, frame->width(), std::max(frame->height() - h, 0));
}

void TCustomForm::UpdateMenuFrame() {
  QWidget* w = WidgetIfAllocated();
  if (!w) return;
  QWidget* top = WindowFrame();
  const bool visible = top->isVisible();
  if (FMenu && !FFrame) {
    auto* frame = new TFormFrame(this);
    FFrame = frame;
    FMenuBar = FMenu->CreateMenuBar(frame);
    w->setParent(frame);
    w->show();
    ApplyWindowFlags();
    frame->setWindowTitle(Text());
    PlaceFrame();
    if (visible) ShowWidget();
  } else if (FMenu && FFrame) {
    delete FMenuBar.data();
    FMenuBar = FMenu->CreateMenuBar(FFrame.data());
    FMenuBar->show();
    PlaceFrame();
  } else if (!FMenu && FFrame) {
    QWidget* frame = FFrame.data();
    FFrame = nullptr;
    FMenuBar = nullptr;
    w->setParent(nullptr, Qt::Window);
    ApplyWindowFlags();
    w->setWindowTitle(Text());
    w->setGeometry(FLeft, FTop, FWidth, FHeight);
    DisposeFrame(frame);
    if (visible) ShowWidget();
  }
}

bool TCustomForm::FrameEvent(QEvent* Event) {
  QWidget* frame = FFrame.data();
  QWidget* w = WidgetIfAllocated();
  if (!frame || !w) return false;
  switch (Event->type()) {
    case QEvent::Close:
      Event->ignore();  // the form decides (OnCloseQuery, OnClose)
      Perform(WM_CLOSE, 0, 0);
      return true;
    case QEvent::WindowStateChange:
      FWindowState = frame->isMinimized() ? wsMinimized : frame->isMaximized() ? wsMaximized : wsNormal;
      return false;
    case QEvent::Resize:
      LayoutFrame();
      return false;
    case QEvent::Move: {
      const QPoint origin = frame->geometry().topLeft() + w->pos();
      if (origin.x() != FLeft || origin.y() != FTop) {
        FLeft = origin.x();
        FTop = origin.y();
        Perform(WM_MOVE, 0, PointToLParam(FLeft, FTop));
      }
      return false;
    }
    default: return false;
  }
}

void TCustomForm::BoundsChanged() {
  if (!FFrame) {
    TWinControl::BoundsChanged();
    return;
  }
  PlaceFrame();
  UpdateClientArea(false);
  const TRect client = ClientRect();
  Perform(WM_SIZE, SIZE_RESTORED, MAKELPARAM(WORD(client.Width()), WORD(client.Height())));
}

void TCustomForm::DestroyWnd() {
  QWidget* frame = FFrame.data();
  FFrame = nullptr;
  FMenuBar = nullptr;
  TWinControl::DestroyWnd();
  DisposeFrame(frame);
}

void TCustomForm::ApplyWindowFlags() {
  QWidget* w = WindowFrame();
  if (!w) return;
  Qt::WindowFlags flags = Qt::Window;
  switch (FBorderStyle) {
    case bsNone: flags |= Qt::FramelessWindowHint; break;
    case bsDialog: flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint; break;
    case bsToolWindow:
    case bsSizeToolWin: flags = Qt::Tool; break;
    default: break;
  }
  if (FFormStyle == fsStayOnTop) flags |= Qt::WindowStaysOnTopHint;
  const bool wasVisible = w->isVisible();
  w->setWindowFlags(flags);
  if (wasVisible) w->show();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  ApplyWindowFlags();
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
  if (FFormStyle == Value) return;
  FFormStyle = Value;
  ApplyWindowFlags();
}

TWindowState TCustomForm::WindowState() const { return FWindowState; }

void TCustomForm::SetWindowState(TWindowState Value) {
  if (FWindowState == Value) return;
  FWindowState = Value;
  QWidget* w = WidgetIfAllocated();
  if (w && w->isVisible()) ShowWidget();
}

void TCustomForm::ShowWidget() {
  QWidget* w = WindowFrame();
  if (!w) return;
  switch (FWindowState) {
    case wsMaximized: w->showMaximized(); break;
    case wsMinimized: w->showMinimized(); break;
    default: w->showNormal(); break;
  }
}

void TCustomForm::PlaceForFirstShow() {
  if (FPlaced) return;
  FPlaced = true;
  TRect area;
  switch (FPosition) {
    case poScreenCenter:
    case poDesktopCenter: area = Screen->WorkAreaRect(); break;
    case poMainFormCenter:
      if (TCustomForm* main = Application->MainForm(); main && main != this) area = main->BoundsRect();
      else area = Screen->WorkAreaRect();
      break;
    case poOwnerFormCenter:
      if (auto* owner = dynamic_cast<TCustomForm*>(Owner()); owner && owner != this) area = owner->BoundsRect();
      else area = Screen->WorkAreaRect();
      break;
    default: return;
  }
  SetBounds(area.Left + (area.Width() - FWidth) / 2, area.Top + (area.Height() - FHeight) / 2, FWidth, FHeight);
}

void TCustomForm::SetVisible(bool Value) {
  if (FVisible == Value) return;
  if (Value) {
    HandleNeeded();
    PlaceForFirstShow();
    TControl::SetVisible(true);
    FFormState.Include(fsVisible);
    DoShow();
    if (!FVisible) return;  // hidden again by OnShow
    if (!FActiveControl) {
      if (TWinControl* first = FindNextControl(nullptr, true, true, false)) FActiveControl = first;
    }
    ShowWidget();
  } else {
    if (FFormState.Contains(fsModal) && FModalResult == mrNone) FModalResult = mrCancel;
    TControl::SetVisible(false);
    FFormState.Exclude(fsVisible);
    if (QWidget* w = WindowFrame()) w->hide();
    DoHide();
  }
}

void TCustomForm::Show() {
  SetVisible(true);
  BringToFront();
}

void TCustomForm::BringToFront() {
  if (QWidget* w = WindowFrame(); w && w->isVisible()) {
    // The offscreen platform has no stacking order to change.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) w->raise();
    w->activateWindow();
  }
}

bool TCustomForm::Active() const {
  QWidget* w = WidgetIfAllocated();
  return w && w->isActiveWindow();
}

bool TCustomForm::CanFocus() const { return FVisible && FEnabled; }

TMonitor TCustomForm::Monitor() const {
  return Screen->MonitorFromPoint(ClientToScreen(TPoint(ClientWidth() / 2, ClientHeight() / 2)));
}

void TCustomForm::ScaleForCurrentDpi() {
  if (!FScaled || FParent) return;
  ScaleForPPI(Monitor().PixelsPerInch());
}

void TCustomForm::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation(QString::fromLatin1(ControlsConsts::SCannotFocus));
  HandleNeeded();
  BringToFront();
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
  if (FActiveControl == Control) return;
  if (Control && (Control == this || !ContainsControl(Control) || (Showing() && !Control->CanFocus())))
    throw EInvalidOperation(QString::fromLatin1(ControlsConsts::SCannotFocus));
  FActiveControl = Control;
  if (Control && Active()) ::SetFocus(Control->Handle());
}

void TCustomForm::FocusControl(TWinControl* Control) {
  if (!Control) return;
  FActiveControl = Control;
  const HWND h = Control->Handle();
  if (GetFocus() != h) ::SetFocus(h);
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
  if (FFocusedControl == Control) {
    FActiveControl = Control;
    return true;
  }
  TWinControl* old = FFocusedControl;
  FFocusedControl = Control;
  if (Control != this) FActiveControl = Control;
  // Exit from the old control up to the first ancestor shared with the new.
  for (TWinControl* c = old; c && c != this && !c->ContainsControl(Control); c = c->Parent()) {
    c->Perform(CM_EXIT, 0, 0);
    if (FFocusedControl != Control) return false;  // moved elsewhere meanwhile
  }
  // Enter from that ancestor down to the new control.
  QList<TWinControl*> chain;
  for (TWinControl* c = Control; c && c != this && !(old && c->ContainsControl(old)); c = c->Parent())
    chain.prepend(c);
  for (TWinControl* c : chain) {
    c->Perform(CM_ENTER, 0, 0);
    if (FFocusedControl != Control) return false;
  }
  Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
  return true;
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing) {
  if (FActiveControl && Control->ContainsControl(FActiveControl)) FActiveControl = nullptr;
  if (FFocusedControl && Control->ContainsControl(FFocusedControl))
    FFocusedControl = Removing ? nullptr : FFocusedControl;
}

void TCustomForm::SetWindowFocus() {
  if (FActiveControl && FActiveControl->CanFocus()) {
    const HWND h = FActiveControl->Handle();
    if (GetFocus() != h) ::SetFocus(h);
  }
}

void TCustomForm::SetModalResult(TModalResult Value) {
  FModalResult = Value;
  if (Value != mrNone && FModalLoop) FModalLoop->exit(0);
}

int TCustomForm::ShowModal() {
  if (FVisible || !FEnabled || FFormState.Contains(fsModal))
    throw EInvalidOperation(QString::fromLatin1(ControlsConsts::SCannotShowModal));
  HandleNeeded();
  FFormState.Include(fsModal);
  FModalResult = mrNone;
  bool destroyed = false;
  FModalDestroyed = &destroyed;
  WindowFrame()->setWindowModality(Qt::ApplicationModal);
  auto cleanup = [&] {
    FModalDestroyed = nullptr;
    FModalLoop = nullptr;
    FFormState.Exclude(fsModal);
    if (QWidget* w = WindowFrame()) w->setWindowModality(Qt::NonModal);
  };
  TCloseAction action = caNone;
  try {
    Show();
    for (;;) {
      if (FModalResult == mrNone && !Application->Terminated()) {
        QEventLoop loop;
        FModalLoop = &loop;
        loop.exec();
        if (destroyed) return mrCancel;
        FModalLoop = nullptr;
      }
      if (Application->Terminated() && FModalResult == mrNone) FModalResult = mrCancel;
      if (FModalResult == mrNone) continue;
      action = caNone;
      if (CloseQuery()) {
        action = caHide;
        DoClose(action);
      }
      if (action != caNone) break;
      FModalResult = mrNone;
    }
    const TModalResult result = FModalResult;
    SetVisible(false);
    FModalResult = result;
  } catch (...) {
    if (!destroyed) cleanup();
    throw;
  }
  cleanup();
  const TModalResult result = FModalResult;
  if (action == caFree) Release();
  return result;
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  if (FFormState.Contains(fsModal)) {
    SetModalResult(mrCancel);
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application->MainForm() == this) Application->Terminate();
  switch (action) {
    case caHide: SetVisible(false); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree:
      SetVisible(false);
      Release();
      break;
    default: break;
  }
}

void TCustomForm::Release() { PostMessage(Handle(), CM_RELEASE, 0, 0); }

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& Action) {
  if (OnClose) OnClose(this, Action);
}

void TCustomForm::Activate() {
  FFormState.Include(fsActivated);
  if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

TF_MESSAGE_MAP(TCustomForm, TWinControl) {
  return {
      TF_MESSAGE(WM_CLOSE, WMClose),
      TF_MESSAGE(CM_RELEASE, CMRelease),
      TF_MESSAGE(CM_DIALOGKEY, CMDialogKey),
      TF_MESSAGE(WM_ACTIVATE, WMActivate),
      TF_MESSAGE(CM_TEXTCHANGED, CMTextChanged),
      TF_MESSAGE(WM_ERASEBKGND, WMEraseBkgnd),
  };
}

void TCustomForm::WMEraseBkgnd(TMessage& Message) {
  if (FColor == clBtnFace || !Message.WParam) {
    TWinControl::WMEraseBkgnd(Message);
    return;
  }
  RECT r{0, 0, Width(), Height()};
  HBRUSH brush = CreateSolidBrush(COLORREF(ColorToRGB(FColor)));
  FillRect(reinterpret_cast<HDC>(Message.WParam), &r, brush);
  DeleteObject(brush);
  Message.Result = 1;
}

void TCustomForm::WMClose(TMessage&) { Close(); }

void TCustomForm::CMRelease(TMessage&) {
  // The form goes away with the message: nothing may touch it after.
  delete this;
}

void TCustomForm::CMDialogKey(TMessage& Message) {
  if (GetKeyState(VK_MENU) >= 0) {
    switch (Message.WParam) {
      case VK_TAB:
        if (GetKeyState(VK_CONTROL) >= 0) {
          SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
          Message.Result = 1;
          return;
        }
        break;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN:
        if (FActiveControl && FActiveControl->Parent()) {
          FActiveControl->Parent()->SelectNext(FActiveControl,
                                               Message.WParam == VK_RIGHT || Message.WParam == VK_DOWN, false);
          Message.Result = 1;
        }
        return;
      default: break;
    }
  }
  TWinControl::CMDialogKey(Message);
}

void TCustomForm::WMActivate(TMessage& Message) {
  if (LOWORD(DWORD(Message.WParam)) != WA_INACTIVE) {
    Activate();
    SetWindowFocus();
  } else {
    Deactivate();
  }
}

void TCustomForm::CMTextChanged(TMessage&) {
  if (QWidget* w = WindowFrame()) w->setWindowTitle(Text());
}

bool TCustomForm::HostEvent(QEvent* Event) {
  switch (Event->type()) {
    case QEvent::Close:
      Event->ignore();  // the form decides (OnCloseQuery, OnClose)
      Perform(WM_CLOSE, 0, 0);
      return true;
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate: {
      const HWND self = Handle();
      FHost->BaseEvent(Event);
      if (IsWindow(self)) Perform(WM_ACTIVATE, Event->type() == QEvent::WindowActivate ? WA_ACTIVE : WA_INACTIVE, 0);
      return true;
    }
    case QEvent::WindowStateChange: {
      QWidget* w = WidgetIfAllocated();
      if (w && !FFrame) FWindowState = w->isMinimized() ? wsMinimized : w->isMaximized() ? wsMaximized : wsNormal;
      return FHost->BaseEvent(Event);
    }
    case QEvent::Resize: {
      // In a frame the form's widget is no window: its size is still the
      // form's.
      QWidget* w = WidgetIfAllocated();
      if (!FFrame || !w) return TWinControl::HostEvent(Event);
      if (w->width() != FWidth || w->height() != FHeight) {
        FWidth = w->width();
        FHeight = w->height();
        UpdateClientArea(false);
        QWidget* frame = FFrame.data();
        const WPARAM kind = frame->isMaximized() ? SIZE_MAXIMIZED : frame->isMinimized() ? SIZE_MINIMIZED : SIZE_RESTORED;
        const TRect client = ClientRect();
        Perform(WM_SIZE, kind, MAKELPARAM(WORD(client.Width()), WORD(client.Height())));
      }
      return FHost->BaseEvent(Event);
    }
    default: return TWinControl::HostEvent(Event);
  }
}

// ---------------------------------------------------------------------------
// TApplication

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) { Initialize(); }

TApplication::~TApplication() {
  SetApplicationHandleException(nullptr);
  // Forms left at exit go while Qt is still there; none should be left by
  // then (Run deletes them).
  if (QCoreApplication::instance()) DestroyComponents();
}

void TApplication::Initialize() {
  if (FInitialized) return;
  FInitialized = true;
  // The one route of exceptions nothing else takes: guarded input, timers,
  // queued calls, the browser engine's callbacks.
  SetApplicationHandleException([this](std::exception_ptr e) { HandleException(this, e); });
}

void TApplication::RegisterCreatedForm(TCustomForm* Form) {
  if (!FMainForm) FMainForm = Form;
  Form->AfterConstruction();
}

void TApplication::Run() {
  FTerminated = false;
  if (FMainForm) FMainForm->Show();
  if (!FTerminated && FMainForm) {
    QEventLoop loop;
    FRunLoop = &loop;
    loop.exec();
    FRunLoop = nullptr;
  }
  DestroyComponents();
}

void TApplication::ProcessMessages() {
  ProcessPostedMessages();
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  ProcessPostedMessages();
}

void TApplication::Terminate() {
  FTerminated = true;
  if (FRunLoop) FRunLoop->exit(0);
}

void TApplication::HandleException(TObject* Sender) { HandleException(Sender, std::current_exception()); }

void TApplication::HandleException(TObject* Sender, std::exception_ptr Error) {
  if (!Error) return;
  try {
    std::rethrow_exception(Error);
  } catch (const EAbort&) {
    // Silent by design.
  } catch (const Exception& e) {
    if (OnException) OnException(Sender, e);
    else ShowException(e);
  } catch (const std::exception& e) {
    const Exception wrapped(QString::fromUtf8(e.what()));
    if (OnException) OnException(Sender, wrapped);
    else ShowException(wrapped);
  } catch (...) {
    const Exception wrapped(QStringLiteral("Unknown exception"));
    if (OnException) OnException(Sender, wrapped);
    else ShowException(wrapped);
  }
}

void TApplication::ShowException(const Exception& E) {
  QString text = E.Message();
  if (!text.isEmpty() && !text.endsWith(u'.')) text += u'.';
  MessageBox(text, FTitle, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const QString& Text, const QString& Caption, UINT Flags) {
  TCustomForm* active = Screen->ActiveForm();
  return ::MessageBox(active && active->HandleAllocated() ? active->Handle() : nullptr, Text, Caption, Flags);
}

void TApplication::SetTitle(const QString& Value) {
  FTitle = Value;
  if (QCoreApplication::instance()) QGuiApplication::setApplicationDisplayName(Value);
}

QString TApplication::ExeName() const { return QCoreApplication::applicationFilePath(); }

void TApplication::SetHint(const QString& Value) {
  if (FHint == Value) return;
  FHint = Value;
  if (OnHint) OnHint(this);
}

void TApplication::CancelHint() { SetHint(QString()); }

// ---------------------------------------------------------------------------
// TScreen

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}

TScreen::~TScreen() = default;

void TScreen::SetCursor(TCursor Value) {
  if (FCursor == Value) return;
  const bool hadOverride = FCursor != crDefault;
  FCursor = Value;
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
  if (Value == crDefault) {
    if (hadOverride) QApplication::restoreOverrideCursor();
  } else if (hadOverride) {
    QApplication::changeOverrideCursor(Cursors(Value));
  } else {
    QApplication::setOverrideCursor(Cursors(Value));
  }
}

QCursor TScreen::Cursors(TCursor Index) const {
  if (auto it = FCursors.constFind(Index); it != FCursors.constEnd()) return it.value();
  switch (Index) {
    case crNone: return QCursor(Qt::BlankCursor);
    case crCross: return QCursor(Qt::CrossCursor);
    case crIBeam: return QCursor(Qt::IBeamCursor);
    case crSizeNESW: return QCursor(Qt::SizeBDiagCursor);
    case crSizeNS: return QCursor(Qt::SizeVerCursor);
    case crSizeNWSE: return QCursor(Qt::SizeFDiagCursor);
    case crSizeWE: return QCursor(Qt::SizeHorCursor);
    case crUpArrow: return QCursor(Qt::UpArrowCursor);
    case crHourGlass: case crSQLWait: return QCursor(Qt::WaitCursor);
    case crDrag: case crMultiDrag: return QCursor(Qt::DragCopyCursor);
    case crNoDrop: case crNo: return QCursor(Qt::ForbiddenCursor);
    case crHSplit: return QCursor(Qt::SplitHCursor);
    case crVSplit: return QCursor(Qt::SplitVCursor);
    case crAppStart: return QCursor(Qt::BusyCursor);
    case crHelp: return QCursor(Qt::WhatsThisCursor);
    case crHandPoint: return QCursor(Qt::PointingHandCursor);
    case crSizeAll: return QCursor(Qt::SizeAllCursor);
    default: return QCursor(Qt::ArrowCursor);
  }
}

void TScreen::SetCursors(TCursor Index, const QCursor& Value) { FCursors.insert(Index, Value); }

int TScreen::PixelsPerInch() const {
  QScreen* s = QCoreApplication::instance() ? QGuiApplication::primaryScreen() : nullptr;
  return s ? int(std::lround(s->logicalDotsPerInch())) : 96;
}

int TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }

int TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }

int TScreen::MonitorCount() const { return int(QGuiApplication::screens().size()); }

TMonitor TScreen::Monitors(int Index) const {
  const QList<QScreen*> screens = QGuiApplication::screens();
  if (Index < 0 || Index >= screens.size()) throw EListError(Format(RtlConsts::SListIndexError, {Index}));
  QScreen* s = screens[Index];
  TMonitor m;
  m.FNum = Index;
  m.FPrimary = s == QGuiApplication::primaryScreen();
  m.FBounds = ToRect(s->geometry());
  m.FWorkarea = ToRect(s->availableGeometry());
  m.FPixelsPerInch = FMonitorPixelsPerInch.value(Index, int(std::lround(s->logicalDotsPerInch())));
  return m;
}

void TScreen::SetMonitorPixelsPerInch(int Index, int Value) {
  if (Index < 0 || Index >= MonitorCount()) throw EListError(Format(RtlConsts::SListIndexError, {Index}));
  if (Value > 0) FMonitorPixelsPerInch.insert(Index, Value);
  else FMonitorPixelsPerInch.remove(Index);
}

TMonitor TScreen::MonitorFromPoint(const TPoint& Point) const {
  const QList<QScreen*> screens = QGuiApplication::screens();
  for (int i = 0; i < screens.size(); ++i)
    if (screens[i]->geometry().contains(QPoint(Point.X, Point.Y))) return Monitors(i);
  const int primary = int(screens.indexOf(QGuiApplication::primaryScreen()));
  return Monitors(primary < 0 ? 0 : primary);
}

TRect TScreen::WorkAreaRect() const {
  QScreen* s = QGuiApplication::primaryScreen();
  return s ? ToRect(s->availableGeometry()) : TRect();
}

TRect TScreen::DesktopRect() const {
  QRect all;
  for (QScreen* s : QGuiApplication::screens()) all |= s->geometry();
  return ToRect(all);
}

TCustomForm* TScreen::Forms(int Index) const {
  if (Index < 0 || Index >= FForms.size()) throw EListError(Format(RtlConsts::SListIndexError, {Index}));
  return FForms[Index];
}

TCustomForm* TScreen::ActiveForm() const {
  for (TCustomForm* f : FForms)
    if (f->Active()) return f;
  return nullptr;
}

TWinControl* TScreen::ActiveControl() const {
  TCustomForm* f = ActiveForm();
  return f ? f->ActiveControl() : nullptr;
}

// ---------------------------------------------------------------------------
// TMouse

TPoint TMouse::CursorPos() const {
  POINT p{0, 0};
  GetCursorPos(&p);
  return TPoint(p.x, p.y);
}

void TMouse::SetCursorPos(const TPoint& Value) { ::SetCursorPos(Value.X, Value.Y); }

int TMouse::WheelScrollLines() const { return QApplication::wheelScrollLines(); }
