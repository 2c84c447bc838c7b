#pragma once
// Forms and the application objects: TCustomForm/TForm (top-level windows
// with modal results, ShowModal, position, border and form styles, window
// state, KeyPreview, ActiveControl and their events), TApplication (the
// message loop, exception handling, hint settings), TScreen (cursors,
// monitors, DPI, forms) and TMouse.
//
// Geometry: a form's Left, Top, Width and Height are those of its client
// area on the screen; the window frame belongs to the window manager
// (GetWindowRect includes it).

#include <QCursor>
#include <QEventLoop>
#include <QHash>
#include <QList>
#include <QPointer>
#include <functional>

#include "platform/vcl/Controls.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/UITypes.h"

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormStateItem { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = TSet<TFormStateItem>;


class TMainMenu;
class QMenuBar;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TShortCutEvent = std::function<void(TWMKey& Msg, bool& Handled)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

// ---------------------------------------------------------------------------
// TMonitor: one display as the screen reports it.

class TMonitor {
 public:
  int MonitorNum() const { return FNum; }
  bool Primary() const { return FPrimary; }
  int Left() const { return FBounds.Left; }
  int Top() const { return FBounds.Top; }
  int Width() const { return FBounds.Width(); }
  int Height() const { return FBounds.Height(); }
  TRect BoundsRect() const { return FBounds; }
  TRect WorkareaRect() const { return FWorkarea; }
  int PixelsPerInch() const { return FPixelsPerInch; }

 private:
  friend class TScreen;
  int FNum = 0;
  bool FPrimary = false;
  TRect FBounds;
  TRect FWorkarea;
  int FPixelsPerInch = 96;
};

// ---------------------------------------------------------------------------
// TCustomForm

class TCustomForm : public TWinControl {
 public:
  TF_DECLARE_MESSAGES(TCustomForm)
  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;

  // Runs OnCreate once. The creation paths (Create<T>, CreateForm) call it;
  // code that builds a form with new calls it after setting the events.
  void AfterConstruction() override;

  TWinControl* ActiveControl() const { return FActiveControl; }
  // Raises EInvalidOperation when the control is not on this form or cannot
  // take the focus while the form is showing.
  void SetActiveControl(TWinControl* Control);
  // The control that has (or last had) the focus inside this form.
  TWinControl* FocusedControl() const { return FFocusedControl; }
  // Moves the focus to Control (the form's window is activated).
  void FocusControl(TWinControl* Control);
  // Records the focus moving to Control: CM_EXIT up from the old control,
  // CM_ENTER down to the new one, CM_FOCUSCHANGED to the form.
  bool SetFocusedControl(TWinControl* Control);
  // Forgets a control that goes away or is hidden.
  void DefocusControl(TWinControl* Control, bool Removing);

  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
  TFormStyle FormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle Value);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition Value) { FPosition = Value; }
  TWindowState WindowState() const;
  void SetWindowState(TWindowState Value);
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool Value) { FKeyPreview = Value; }
  // The menu bar above the client area: the form's window shows it, while
  // the form's bounds stay those of the client area.
  TMainMenu* Menu() const { return FMenu; }
  void SetMenu(TMainMenu* Value);
  // The menu bar showing Menu, nullptr without a menu or a window.
  QMenuBar* MenuBar() const;
  // The top-level window: the form's widget, or the frame holding it and
  // the menu bar.
  QWidget* WindowFrame() const;
  // OnShortCut, then the main menu's shortcuts; true when the key was
  // taken. Focused controls ask it before they handle a key.
  virtual bool IsShortCut(TMessage& Message);
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value);
  TFormState FormState() const { return FFormState; }
  bool Active() const;

  // The colour of the client area, filled when the background is erased;
  // clBtnFace (the default) is the active style's face colour.
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  // The border of BorderWidth (published by TForm) takes the form's colour.
  TColor BorderColor() const override { return FColor; }

  // Whether the form follows the resolution of the monitor it is on.
  bool Scaled() const { return FScaled; }
  void SetScaled(bool Value) { FScaled = Value; }
  // The monitor showing the form: the one holding the centre of its client
  // area (the primary monitor when none does).
  TMonitor Monitor() const;
  // A scaled top-level form lays itself out for its monitor's resolution
  // (ScaleForPPI); an unscaled or embedded form stays as it is.
  virtual void ScaleForCurrentDpi();

  // Shows the form modally and returns its ModalResult once set. Raises
  // EInvalidOperation for a form that is already visible or disabled.
  virtual int ShowModal();
  // OnCloseQuery, then OnClose with the action (hide by default); closing
  // the main form ends the application; a modal form gets mrCancel.
  void Close();
  virtual bool CloseQuery();
  // Deletes the form once the messages pending for it are handled.
  void Release();
  // Shows, raises and activates the form.
  void Show();
  void SetVisible(bool Value) override;
  void BringToFront();

  void WMClose(TMessage& Message);
  void CMRelease(TMessage& Message);
  void CMDialogKey(TMessage& Message);
  void WMActivate(TMessage& Message);
  void CMTextChanged(TMessage& Message);
  void WMEraseBkgnd(TMessage& Message);
  bool HostEvent(QEvent* Event) override;
  bool CanFocus() const override;
  void SetFocus() override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TShortCutEvent OnShortCut;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void BoundsChanged() override;
  void DestroyWnd() override;
  void CreateParams(TCreateParams& Params) override;
  QWidget* CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) override;
  void ApplyCreateParams(const TCreateParams& Params) override;
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& Action);
  virtual void Activate();
  virtual void Deactivate();

 private:
  friend class TWinControl;
  void ApplyWindowFlags();
  void PlaceForFirstShow();
  void SetWindowFocus();
  void ShowWidget();
  friend class TFormFrame;
  // Puts the form's widget in a frame with the menu bar, or takes it out,
  // as Menu says.
  void UpdateMenuFrame();
  void PlaceFrame();
  void LayoutFrame();
  int MenuBarHeight(int Width) const;
  bool FrameEvent(QEvent* Event);

  TWinControl* FActiveControl = nullptr;
  TWinControl* FFocusedControl = nullptr;
  TFormBorderStyle FBorderStyle = bsSizeable;
  TFormStyle FFormStyle = fsNormal;
  TPosition FPosition = poDefaultPosOnly;
  TWindowState FWindowState = wsNormal;
  bool FKeyPreview = false;
  bool FScaled = true;
  TColor FColor = clBtnFace;
  TModalResult FModalResult = mrNone;
  TFormState FFormState;
  bool FCreated = false;
  bool FPlaced = false;
  QEventLoop* FModalLoop = nullptr;
  bool* FModalDestroyed = nullptr;  // set when the form dies inside ShowModal
  TMainMenu* FMenu = nullptr;
  QPointer<QWidget> FFrame;
  QPointer<QWidget> FMenuBar;
};

class TForm : public TCustomForm {
 public:
  using TCustomForm::TCustomForm;
  using TCustomForm::BorderWidth;
  using TCustomForm::SetBorderWidth;
};

// ---------------------------------------------------------------------------
// Frames: a windowed container built as a unit, placed on a form or on
// another frame. A frame owns the components placed on it.

class TCustomFrame : public TWinControl {
 public:
  explicit TCustomFrame(TComponent* AOwner);
};

class TFrame : public TCustomFrame {
 public:
  using TCustomFrame::TCustomFrame;
};

// ---------------------------------------------------------------------------
// TApplication

using TExceptionEvent = std::function<void(TObject* Sender, const Exception& E)>;

class TApplication : public TComponent {
 public:
  // Initializes the application: its HandleException becomes the one route
  // of the exceptions nothing up the stack takes (ApplicationHandleException:
  // guarded input and messages, timers, queued and synchronised calls, the
  // browser engine's callbacks).
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  // Installs that exception route (the constructor did).
  void Initialize();
  // Creates a form owned by the application, runs its OnCreate, and makes
  // the first one the main form.
  template <class TFormClass>
  TFormClass* CreateForm() {
    auto* form = new TFormClass(this);
    RegisterCreatedForm(form);
    return form;
  }
  // Shows the main form and runs the event loop until Terminate or the main
  // form closes; then deletes the forms the application owns.
  void Run();
  // Handles every pending event and posted message, then returns.
  void ProcessMessages();
  // Ends Run's loop.
  void Terminate();
  bool Terminated() const { return FTerminated; }

  // Reports the exception being handled: OnException when assigned,
  // otherwise ShowException. Call from inside a catch block.
  void HandleException(TObject* Sender);
  // Reports an exception object.
  void HandleException(TObject* Sender, std::exception_ptr Error);
  // A message box with the exception's text (through the message dialog
  // service).
  void ShowException(const Exception& E);
  int MessageBox(const QString& Text, const QString& Caption, UINT Flags = MB_OK);

  TCustomForm* MainForm() const { return FMainForm; }
  void SetMainForm(TCustomForm* Value) { FMainForm = Value; }
  const QString& Title() const { return FTitle; }
  void SetTitle(const QString& Value);
  QString ExeName() const;

  // Hints
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value) { FShowHint = Value; }
  int HintPause() const { return FHintPause; }
  void SetHintPause(int Value) { FHintPause = Value; }
  int HintShortPause() const { return FHintShortPause; }
  void SetHintShortPause(int Value) { FHintShortPause = Value; }
  int HintHidePause() const { return FHintHidePause; }
  void SetHintHidePause(int Value) { FHintHidePause = Value; }
  const QString& Hint() const { return FHint; }
  void SetHint(const QString& Value);
  void CancelHint();

  TExceptionEvent OnException;
  TNotifyEvent OnHint;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;

 private:
  void RegisterCreatedForm(TCustomForm* Form);

  TCustomForm* FMainForm = nullptr;
  QString FTitle;
  bool FTerminated = false;
  bool FInitialized = false;
  bool FShowHint = true;
  int FHintPause = 500;
  int FHintShortPause = 50;
  int FHintHidePause = 2500;
  QString FHint;
  QEventLoop* FRunLoop = nullptr;
};

// ---------------------------------------------------------------------------
// TScreen, TMouse

class TScreen : public TComponent {
 public:
  explicit TScreen(TComponent* AOwner);
  ~TScreen() override;

  // The cursor shown everywhere (crDefault: each control's own).
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  // Application cursors by id; the standard ids map to Qt's shapes.
  QCursor Cursors(TCursor Index) const;
  void SetCursors(TCursor Index, const QCursor& Value);
  QCursor CursorShape(TCursor Index) const { return Cursors(Index); }

  // Logical DPI of the primary screen (96 when there is none).
  int PixelsPerInch() const;
  int Width() const;
  int Height() const;
  int MonitorCount() const;
  // Raises EListError for an index out of range.
  TMonitor Monitors(int Index) const;
  TMonitor MonitorFromPoint(const TPoint& Point) const;
  // The resolution the system reports for a monitor, as its display
  // settings would change it (tests move a form to a 120 or 144 DPI
  // monitor this way); 0 goes back to the screen's own. Raises EListError
  // for an index out of range.
  void SetMonitorPixelsPerInch(int Index, int Value);
  TRect WorkAreaRect() const;
  TRect DesktopRect() const;

  int FormCount() const { return int(FForms.size()); }
  TCustomForm* Forms(int Index) const;
  TCustomForm* ActiveForm() const;
  TWinControl* ActiveControl() const;

 private:
  friend class TCustomForm;
  TCursor FCursor = crDefault;
  QHash<int, QCursor> FCursors;
  QHash<int, int> FMonitorPixelsPerInch;
  QList<TCustomForm*> FForms;
};

class TMouse {
 public:
  TPoint CursorPos() const;
  void SetCursorPos(const TPoint& Value);
  HWND Capture() const { return GetCapture(); }
  void SetCapture(HWND Value) { Value ? (void)::SetCapture(Value) : (void)ReleaseCapture(); }
  int WheelScrollLines() const;
  int DragThreshold() const { return FDragThreshold; }
  void SetDragThreshold(int Value) { FDragThreshold = Value; }
  bool MousePresent() const { return true; }
  bool WheelPresent() const { return true; }

 private:
  int FDragThreshold = 5;
};

extern TApplication* Application;
extern TScreen* Screen;
extern TMouse* Mouse;
