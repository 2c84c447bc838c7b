#pragma once
// The control classes of the framework over Qt widgets.
//
// TControl       a rectangle in its parent with the message machinery
//                (Perform, WindowProc, WndProc, Dispatch, DefaultHandler),
//                mouse handling, alignment, anchors and its own Visible flag.
//                Message handlers are named methods entered in the class's
//                message map (MessageMaps.h: TF_DECLARE_MESSAGES,
//                TF_MESSAGE_MAP); "inherited" calls the ancestor's handler by
//                name or Inherited<Base>. The font follows the parent's while
//                ParentFont is set.
// TWinControl    a control with a window: an HWND and a QWidget created in
//                CreateWnd from CreateParams. Qt input reaching the widget is
//                translated into Win32 messages (keys with Win32 character
//                codes, mouse messages with MK_ flags and Win32's
//                double-click order, focus messages carrying the other
//                window's handle); dialog keys, Tab navigation, KeyPreview
//                and notification reflection (WM_COMMAND/WM_NOTIFY from a
//                child come back to it as CN_COMMAND/CN_NOTIFY) happen here.
//                Custom-painted controls paint into a back buffer through an
//                HDC and the buffer is blitted in paintEvent.
// TCustomControl a windowed control that paints itself (Paint).
// TGraphicControl a windowless control painted by its parent.
//
// Qt-backed controls (an edit over QLineEdit) override CreateWidget to make a
// THostWidget<QLineEdit>, and set FQtBacked: their DefaultHandler hands the
// original Qt event (or one synthesized from the message) to the Qt widget,
// and Qt paints them.
//
// No exception leaves a Qt event handler: input translation runs guarded and
// errors reach Application->HandleException.

#include <QImage>
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Types.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/MessageMaps.h"
#include "platform/win32/Messages.h"
#include "platform/win32/ScrollBars.h"
#include "platform/win32/WinUser.h"

class QKeyEvent;
class QMouseEvent;
class QWheelEvent;
class TWinControl;
class TCustomForm;
class TPopupMenu;

// ---------------------------------------------------------------------------
// Enumerations and event types

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;

enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TControlStyleItem {
  csAcceptsControls,
  csCaptureMouse,
  csDesignInteractive,
  csClickEvents,
  csFramed,
  csSetCaption,
  csOpaque,
  csDoubleClicks,
  csFixedWidth,
  csFixedHeight,
  csNoDesignVisible,
  csReplicatable,
  csNoStdEvents,
  csDisplayDragImage,
  csReflector,
  csActionClient,
  csMenuEvents,
  csNeedsBorderPaint,
  csParentBackground,
  csPannable
};
using TControlStyle = TSet<TControlStyleItem>;

enum TControlStateItem {
  csLButtonDown,
  csClicked,
  csPalette,
  csReadingState,
  csAlignmentNeeded,
  csFocusing,
  csCreating,
  csPaintCopy,
  csCustomPaint,
  csDestroyingHandle,
  csDocking,
  csDesignerHide,
  csPanning,
  csRecreating,
  csAligning
};
using TControlState = TSet<TControlStateItem>;

// Cursor ids: the framework's standard cursors are negative; 0 means "the
// parent's cursor"; positive ids are application cursors registered with
// Screen->SetCursors.
using TCursor = int16_t;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;
inline constexpr TCursor crHSplit = -14;
inline constexpr TCursor crVSplit = -15;
inline constexpr TCursor crMultiDrag = -16;
inline constexpr TCursor crSQLWait = -17;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;
inline constexpr TCursor crSize = crSizeAll;

using TWndMethod = std::function<void(TMessage& Message)>;
using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, QChar& Key)>;
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent =
    std::function<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
// MousePos is (-1, -1) for a context menu asked for from the keyboard.
using TContextPopupEvent = std::function<void(TObject* Sender, TPoint MousePos, bool& Handled)>;

// Shift state of key data (Alt from bit 29, Shift and Ctrl from the key
// state table) and of mouse key flags.
TShiftState KeyDataToShiftState(LONG KeyData);
TShiftState KeyboardStateToShiftState();
TShiftState MouseKeysToShiftState(WPARAM Keys);

// ---------------------------------------------------------------------------
// The Qt side of a windowed control.

// Implemented by THostWidget; lets TWinControl reach the widget's own Qt
// behaviour.
class TWidgetHost {
 public:
  virtual ~TWidgetHost() = default;
  // The Qt class's own handling of an event.
  virtual bool BaseEvent(QEvent* Event) = 0;
  virtual QWidget* Widget() = 0;
  TWinControl* Control = nullptr;
  int EventDepth = 0;  // > 0 while one of its events is being handled
};

// A Qt widget class whose events go to its control first.
template <class QW>
class THostWidget : public QW, public TWidgetHost {
 public:
  template <class... Args>
  explicit THostWidget(TWinControl* AControl, Args&&... args) : QW(std::forward<Args>(args)...) {
    Control = AControl;
  }
  bool event(QEvent* e) override;
  bool BaseEvent(QEvent* e) override { return QW::event(e); }
  QWidget* Widget() override { return this; }

 protected:
  // Tab moves between controls through the framework, never through Qt.
  bool focusNextPrevChild(bool) override { return false; }
};

// Routes one Qt event of a host to its control (defined in Controls.cpp).
bool HostWidgetEvent(TWidgetHost* Host, QEvent* Event);

// Gives a Qt control the mouse event a mouse message came from, as the
// framework decided it: Qt reports the second press of a double click as a
// double-click event, which a control whose message is a plain button-down
// gets as a press; a double-click message whose origin Qt saw as a press
// gives the press and then a double click.
void DeliverMouseOrigin(const TMessage& Message, QMouseEvent* Origin, const std::function<void(QMouseEvent*)>& Deliver);

template <class QW>
bool THostWidget<QW>::event(QEvent* e) {
  if (!Control) return QW::event(e);
  return HostWidgetEvent(this, e);
}

// ---------------------------------------------------------------------------
// Window creation parameters

struct TCreateParams {
  QString Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0;
  int Y = 0;
  int Width = 0;
  int Height = 0;
  HWND WndParent = nullptr;
  UINT WindowClassStyle = 0;  // CS_ flags
  QString WinClassName;
};

// ---------------------------------------------------------------------------
// TControl

class TControl;

// What a control may change before its hint is shown (CM_HINTSHOW's
// LParam). A non-zero message result keeps the hint from showing.
struct THintInfo {
  TControl* HintControl = nullptr;
  TPoint CursorPos;  // client coordinates of HintControl
  int HintMaxWidth = 0;
  TColor HintColor = TColor(0xFF000018);  // clInfoBk
  TRect CursorRect;
  TPoint HintPos;  // screen coordinates
  int ReshowTimeout = 0;
  int HideTimeout = 0;
  QString HintStr;
  void* HintData = nullptr;
};
// Shows (or, with an empty HintStr, hides) the hint window. The default
// shows a tool tip; tests replace it. Answers the previous shower.
using THintShower = std::function<void(const THintInfo&)>;
THintShower SetHintShower(THintShower AShower);

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  // --- messages
  // Sends a message to this control's WindowProc and returns its Result.
  LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);
  LRESULT Perform(TMessage& Message);
  // The procedure every message goes through; by default the virtual WndProc.
  // A replacement usually saves the previous one and calls it.
  const TWndMethod& WindowProc() const { return FWindowProc; }
  void SetWindowProc(TWndMethod Value);
  // The procedure WindowProc starts with (calls WndProc).
  TWndMethod DefaultWindowProc();
  virtual void WndProc(TMessage& Message);
  // Runs the handler the class's message map names for the message, or
  // DefaultHandler when none does (see MessageMaps.h).
  virtual void Dispatch(TMessage& Message);
  virtual void DefaultHandler(TMessage& Message);
  // The message map of TControl and of the object's class.
  using TFMessageSelf = TControl;
  static const TMessageMap& StaticMessageMap();
  virtual const TMessageMap& MessageMap() const;

  // --- tree
  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* AParent);
  // True when the control has a window of its own.
  virtual bool IsWindowed() const { return false; }

  // --- geometry
  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
  void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
  void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
  void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  TRect BoundsRect() const { return TRect(FLeft, FTop, FLeft + FWidth, FTop + FHeight); }
  void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
  virtual TRect ClientRect() const { return TRect(0, 0, FWidth, FHeight); }
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }
  void SetClientWidth(int Value) { SetWidth(FWidth - ClientWidth() + Value); }
  void SetClientHeight(int Value) { SetHeight(FHeight - ClientHeight() + Value); }
  TPoint ClientOrigin() const;
  TPoint ClientToScreen(const TPoint& Point) const;
  TPoint ScreenToClient(const TPoint& Point) const;
  // The point in Parent's client coordinates.
  TPoint ClientToParent(const TPoint& Point, TWinControl* AParent = nullptr) const;

  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign Value);
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors Value);

  // --- font and resolution
  // The control's font; a change sends CM_FONTCHANGED to the control and
  // clears ParentFont. Windowed controls hand it to their widget (WM_SETFONT
  // on Win32) and pass CM_PARENTFONTCHANGED on to their children.
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  // The control shows its parent's font: it takes it when it is put on a
  // parent and whenever the parent's font changes (CM_PARENTFONTCHANGED).
  // True by default (forms: false); setting Font clears it, setting it
  // again takes the parent's font.
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  // The resolution the control's bounds and font are laid out for: 96 until
  // the control is scaled.
  int CurrentPPI() const { return FCurrentPPI; }
  // Lays the control (and its children) out again for NewPPI pixels per
  // inch: ChangeScale(NewPPI, CurrentPPI) as a resolution change. Nothing
  // for the current or a non-positive resolution.
  virtual void ScaleForPPI(int NewPPI);

  // --- state
  // The control's own flag; Showing() also needs every parent visible.
  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool Value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  virtual bool Showing() const;
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value);
  QString Text() const;
  void SetText(const QString& Value);
  QString Caption() const { return Text(); }
  void SetCaption(const QString& Value) { SetText(Value); }
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  const QString& Hint() const { return FHint; }
  void SetHint(const QString& Value) { FHint = Value; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value) { FShowHint = Value; }
  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
  TControlState ControlState() const { return FControlState; }
  void SetControlState(TControlState Value) { FControlState = Value; }
  bool MouseCapture() const;
  void SetMouseCapture(bool Value);

  // --- painting
  virtual void Invalidate();
  virtual void Update();
  virtual void Repaint();
  void BringToFront();
  void SendToBack();

  // The window that paints this control: itself when windowed, else the
  // nearest windowed parent.
  TWinControl* PaintingWindow() const;

  // --- actions
  virtual void Click();
  virtual void DblClick();

  // --- context menu
  // Shown on a right click (WM_CONTEXTMENU) when its AutoPopup is set, after
  // OnContextPopup, unless that handled the click.
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value);
  TContextPopupEvent OnContextPopup;

  // Events
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnResize;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TMouseWheelEvent OnMouseWheel;
  TMouseWheelUpDownEvent OnMouseWheelDown;
  TMouseWheelUpDownEvent OnMouseWheelUp;

 protected:
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  // Runs OnMouseWheel, then OnMouseWheelDown/Up; true when handled.
  virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
  virtual void Resize();
  // Called by SetBounds after the rectangle changed.
  virtual void BoundsChanged();
  // The parent moves and sizes its aligned and anchored children again.
  void RequestAlign();
  // Records the anchor distances from the current rectangle.
  void UpdateAnchorRules();
  // The control's cursor for a point (crDefault: ask the parent).
  virtual TCursor CursorAt(const TPoint& Point) const { return FCursor; }
  virtual void DoContextPopup(const TPoint& MousePos, bool& Handled);
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Scales the control by M/D, each value with MulDiv: left and top, the
  // right and bottom edges (so that controls side by side stay side by
  // side; the width and height are what lies between) and the font height.
  // A top-level form keeps its place on the screen and scales its size. A
  // resolution change (isDpiChange) also scales CurrentPPI. Windowed
  // controls scale their children first and align them once afterwards.
  virtual void ChangeScale(int M, int D, bool isDpiChange);

  // Runs what Base's message map runs for Message: Base's handler for it
  // (or its nearest ancestor's), else DefaultHandler. The "inherited" of a
  // message no ancestor has a named handler for.
  template <class Base>
  void Inherited(TMessage& Message) {
    DispatchWith(Base::StaticMessageMap(), Message);
  }
  void DispatchWith(const TMessageMap& Map, TMessage& Message);

  // Message handlers
  void WMLButtonDown(TMessage& Message);
  void WMLButtonDblClk(TMessage& Message);
  void WMLButtonUp(TMessage& Message);
  void WMRButtonDown(TMessage& Message);
  void WMRButtonDblClk(TMessage& Message);
  void WMRButtonUp(TMessage& Message);
  void WMMButtonDown(TMessage& Message);
  void WMMButtonDblClk(TMessage& Message);
  void WMMButtonUp(TMessage& Message);
  void WMMouseMove(TMessage& Message);
  void CMMouseEnter(TMessage& Message);
  void CMMouseLeave(TMessage& Message);
  // To the control under the cursor; unhandled wheels go up the parents, and
  // a turn none of them handled is the window's default handling.
  void WMMouseWheel(TMessage& Message);
  void CMMouseWheel(TMessage& Message);
  void CMHitTest(TMessage& Message);
  void WMContextMenu(TMessage& Message);
  // WM_CANCELMODE and CM_CANCELMODE: lets go of the mouse.
  void WMCancelMode(TMessage& Message);
  // With ParentFont, takes the font in LParam (WParam != 0) or the parent's.
  void CMParentFontChanged(TMessage& Message);

  TWinControl* FParent = nullptr;
  int FLeft = 0;
  int FTop = 0;
  int FWidth = 0;
  int FHeight = 0;
  TAlign FAlign = alNone;
  TAnchors FAnchors{akLeft, akTop};
  bool FVisible = true;
  bool FEnabled = true;
  QString FText;
  TCursor FCursor = crDefault;
  QString FHint;
  bool FShowHint = false;
  TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  TControlState FControlState;
  int FCurrentPPI = 96;
  bool FParentFont = true;

 private:
  friend class TWinControl;
  void HandleMouseButton(TMessage& Message, TMouseButton Button, bool Down, bool Double);
  void DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift);
  void DoMouseUp(TMessage& Message, TMouseButton Button);
  static std::vector<TMessageMapEntry> MessageTable();

  void FontChanged();

  TWndMethod FWindowProc;
  std::unique_ptr<TFont> FFont;
  bool FTakingParentFont = false;  // the font changes to the parent's: ParentFont stays
  TPopupMenu* FPopupMenu = nullptr;
  // Anchoring base: the rectangle and the parent's client size when the
  // rectangle was last set by anything other than anchoring.
  TRect FAnchorRect;
  int FAnchorParentWidth = -1;
  int FAnchorParentHeight = -1;
  bool FAnchorMove = false;  // SetBounds called by the anchoring itself
};

// ---------------------------------------------------------------------------
// TWinControl

class TWinControl : public TControl, public TWindowObject, public TScrollBarWindow {
 public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  bool IsWindowed() const override { return true; }
  void SetParent(TWinControl* AParent) override;

  // --- window
  // The window's handle, created on demand.
  HWND Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded();
  // The widget (creates the window when needed).
  QWidget* Widget();
  // The widget if the window exists, else nullptr.
  QWidget* WidgetIfAllocated() const { return FWidget.data(); }
  // Destroys and creates the window again (style changes), keeping focus.
  void RecreateWnd();
  void DestroyHandle();

  // --- children
  int ControlCount() const { return int(FControls.size()); }
  // Raises EListError for an index out of range.
  TControl* Controls(int Index) const;
  bool ContainsControl(const TControl* Control) const;
  // The child at Pos (client coordinates), topmost first; nullptr if none.
  TControl* ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls = false) const;
  void Broadcast(TMessage& Message);
  void Realign();
  void DisableAlign() { ++FAlignLevel; }
  void EnableAlign();

  // --- focus and tab order
  virtual bool CanFocus() const;
  bool Focused() const;
  // Raises EInvalidOperation when the control cannot take the focus.
  virtual void SetFocus();
  int TabOrder() const;
  void SetTabOrder(int Value);
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool Value);
  // Every windowed descendant in tab order (depth first).
  void GetTabOrderList(QList<TWinControl*>& List) const;
  TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                               bool CheckParent) const;
  void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);

  bool Showing() const override;
  void SetVisible(bool Value) override;
  void SetEnabled(bool Value) override;
  void Invalidate() override;
  void Update() override;

  // TWindowObject
  LRESULT WindowMessage(UINT Msg, WPARAM wParam, LPARAM lParam) override;
  QWidget* WindowWidget() const override { return FWidget.data(); }
  void InvalidateWindowRect(const RECT* Rect) override;
  void DestroyWindowObject() override { DestroyHandle(); }
  RECT WindowClientArea() const override;

  // --- non-client area (custom-painted child windows only)
  // A child window that paints itself can have a border (WS_BORDER,
  // WS_EX_CLIENTEDGE, WS_EX_STATICEDGE in its creation parameters) and the
  // window scroll bars (ScrollBars.h) around its client area. The client
  // area then is a part of the widget: ClientRect, client coordinates of
  // mouse messages, painting, children and ClientOrigin count from its
  // corner. WM_NCCALCSIZE works out the client area (LParam: a RECT, the
  // window's rectangle in, the client rectangle out), WM_NCHITTEST answers
  // HTCLIENT, HTBORDER, HTHSCROLL or HTVSCROLL for a screen point, and
  // WM_NCPAINT carries a DC over the whole window in WParam (origin at the
  // window's corner); their default handling draws the border and the bars.
  // Mouse input outside the client area arrives as WM_NC* messages with the
  // hit-test code in WParam and the screen point in LParam; a left press on
  // a bar tracks it until the release.
  TRect ClientRect() const override;
  // The client area in the window's (widget's) coordinates.
  TRect ClientArea() const { return FClientArea; }
  // TScrollBarWindow
  TWindowScrollBars* WindowScrollBars() override;
  void WindowFrameChanged() override;
  void RedrawFrame() override;
  void ScrollChildWindows(int DX, int DY, const RECT* Area) override;

  TF_DECLARE_MESSAGES(TWinControl)
  void DefaultHandler(TMessage& Message) override;
  void WndProc(TMessage& Message) override;

  // Called by the host widget for each Qt event; true when consumed.
  virtual bool HostEvent(QEvent* Event);
  // The back buffer custom painting went into (tests read it).
  const QImage& BackBuffer() const { return FBackBuffer; }
  // The cursor WM_SETCURSOR last put on the widget.
  TCursor AppliedCursor() const { return FAppliedCursor; }

  // Events
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

 protected:
  virtual void CreateParams(TCreateParams& Params);
  // Creates the widget from the parameters; the base version makes a
  // THostWidget<QWidget>. Qt-backed controls return their own host class.
  virtual QWidget* CreateWidget(const TCreateParams& Params, QWidget* ParentWidget);
  virtual void CreateWnd();
  // Saves what the window holds (Qt-backed controls) before it goes away.
  virtual void DestroyWnd();
  virtual void CreateHandle();
  // Applies the parameters to a new widget (geometry, visibility, state).
  virtual void ApplyCreateParams(const TCreateParams& Params);

  // Keyboard
  virtual void KeyDown(Word& Key, TShiftState Shift);
  virtual void KeyPress(QChar& Key);
  virtual void KeyUp(Word& Key, TShiftState Shift);
  // KeyPreview first, then KeyDown/KeyPress/KeyUp; true when the key was
  // consumed (set to 0).
  bool DoKeyDown(TMessage& Message);
  bool DoKeyPress(TMessage& Message);
  bool DoKeyUp(TMessage& Message);
  virtual void DoEnter();
  virtual void DoExit();

  // Painting: the DC of a WM_PAINT comes from the back buffer.
  virtual void PaintWindow(HDC DC);
  void PaintControls(HDC DC, TControl* First);
  void PaintHandler(TMessage& Message);

  // Moves and sizes aligned and anchored children.
  virtual void AlignControls(TControl* AControl, TRect& Rect);
  void ChangeScale(int M, int D, bool isDpiChange) override;
  void Resize() override;
  void BoundsChanged() override;

  // Input translation
  void TranslateKey(QKeyEvent* Event);
  void TranslateMouse(QMouseEvent* Event);
  void TranslateWheel(QWheelEvent* Event);
  void HostPaint(QEvent* Event);
  // Default handling of a Qt-backed control: hands the origin event to Qt.
  bool ForwardToQt(TMessage& Message);
  // False (the event ignored, so Qt passes it to the parent) while the
  // window is disabled.
  bool TakesMouseInput(QEvent* Event);

  // A Qt-backed child tells its parent about a change: WM_COMMAND with the
  // notification code, or WM_NOTIFY with an NMHDR; the parent reflects them
  // back as CN_COMMAND / CN_NOTIFY.
  void SendParentCommand(WORD NotifyCode);
  LRESULT SendParentNotify(UINT Code);

  // Puts a cursor on the widget, as the default WM_SETCURSOR handling does
  // (AppliedCursor answers it).
  void ApplyCursor(TCursor Cursor);
  // Works out the client area again (WM_NCCALCSIZE); with Notify a changed
  // client size sends WM_SIZE and the window repaints.
  void UpdateClientArea(bool Notify);
  // A border of this many pixels (0 and up) inside the window's frame and
  // scroll bars, on every side, painted in BorderColor. It belongs to the
  // non-client area, also for top-level windows: the client area and
  // ClientRect shrink by twice the width, children sit inside it. Controls
  // whose widget is a Qt control paint their whole widget and have none.
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int Value);
  // The colour BorderWidth's border is painted in (the face colour unless a
  // control has its own colour).
  virtual TColor BorderColor() const;
  // The styles the window was created with.
  DWORD WindowStyle() const { return FStyle; }
  DWORD WindowExStyle() const { return FExStyle; }

  // Message handlers
  // CN_KEYDOWN, CN_SYSKEYDOWN: Tab, arrows, Enter and Escape go to the
  // form's dialog handling unless the control asks for them.
  void CNKeyDown(TMessage& Message);
  // CN_CHAR, CN_SYSCHAR: accelerators (CM_DIALOGCHAR) unless the control
  // wants characters.
  void CNChar(TMessage& Message);
  void WMKeyDown(TMessage& Message);
  void WMSysKeyDown(TMessage& Message);
  void WMChar(TMessage& Message);
  // WM_KEYUP and WM_SYSKEYUP.
  void WMKeyUp(TMessage& Message);
  void CMChildKey(TMessage& Message);
  // Offered to every child.
  void CMDialogKey(TMessage& Message);
  void CMDialogChar(TMessage& Message);
  void WMSetFocus(TMessage& Message);
  void CMEnter(TMessage& Message);
  void CMExit(TMessage& Message);
  // WM_COMMAND, WM_NOTIFY, WM_HSCROLL and WM_VSCROLL from a child come back
  // to it as CN_COMMAND, CN_NOTIFY, CN_HSCROLL and CN_VSCROLL.
  void WMCommand(TMessage& Message);
  void WMNotify(TMessage& Message);
  void WMHScroll(TMessage& Message);
  void WMVScroll(TMessage& Message);
  // A windowless child under the point has the first say.
  void WMContextMenu(TMessage& Message);
  void WMPaint(TMessage& Message);
  void WMEraseBkgnd(TMessage& Message);
  void WMSetCursor(TMessage& Message);
  void WMSize(TMessage& Message);
  // WM_SETREDRAW: switches the window's repainting off (wParam 0) and on.
  void WMSetRedraw(TMessage& Message);
  // Hands the font to the widget and CM_PARENTFONTCHANGED to the children.
  void CMFontChanged(TMessage& Message);

  // Sends a message to every child (windowed or not).
  void NotifyControls(UINT Msg);
  // Gives the widget the control's font.
  void ApplyWidgetFont();

  // True for controls whose widget is a Qt control with its own behaviour
  // and painting (set by Qt-backed subclasses before CreateWnd).
  bool FQtBacked = false;
  bool FTabStop = false;
  TWidgetHost* FHost = nullptr;

 private:
  friend class TControl;
  friend class TControlCanvas;
  friend class TCustomForm;
  friend bool HostWidgetEvent(TWidgetHost*, QEvent*);
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  void UpdateChildWidgets();
  void DoAlign(TAlign AAlign, TRect& Rect);
  void ApplyAnchors(TControl* Child);
  bool IsControlMouseMsg(TMessage& Message);
  void UpdateMouseControl(TControl* Control);
  void ReleaseWidget();
  // Dialog-key processing of a key message: true when consumed.
  bool PreprocessKey(TMessage& Message);
  // Offers a key to the pop-up menus of this control and its parents, then
  // to the form's shortcuts; true when one of them took it.
  bool IsMenuKey(TMessage& Message);
  // WM_CONTEXTMENU for a right-button release at a client point.
  void SendContextMenu(int X, int Y);
  void SendKeyMessages(QKeyEvent* Event, UINT Msg, WORD Vk, LPARAM KeyData, const QString& Chars);
  // Default handling of the non-client messages; true when handled.
  bool DefaultNonClient(TMessage& Message);
  // Places the widget at the control's bounds inside the parent's client
  // area.
  void PlaceWidget();
  // Routes a mouse event of the window outside its client area, or while a
  // scroll bar is tracked; true when it was one.
  bool NonClientMouse(QMouseEvent* Event, UINT Msg, const QPoint& WidgetPos, const POINT& Screen, bool Capture);
  bool HasFrame() const { return FHasFrame; }

  // The key event being translated: its key, the characters it makes and
  // whether Qt already got it (Qt-backed controls).
  struct TKeyTranslation {
    QKeyEvent* Event;
    WORD Vk;
    QString Chars;
    bool Forwarded;
  };

  HWND FHandle = nullptr;
  UINT FWindowClassStyle = 0;
  TCursor FAppliedCursor = crDefault;
  TKeyTranslation* FKey = nullptr;
  QPointer<QWidget> FWidget;
  QList<TControl*> FControls;     // children in z-order (last on top)
  QList<TWinControl*> FTabList;   // windowed children in tab order
  QImage FBackBuffer;
  DWORD FStyle = 0;
  DWORD FExStyle = 0;
  TRect FClientArea;       // in the widget's coordinates
  bool FHasFrame = false;  // the client area is smaller than the window
  int FBorderWidth = 0;
  std::unique_ptr<TWindowScrollBars> FScrollBars;
  int FAlignLevel = 0;
  TControl* FMouseControl = nullptr;  // windowless child under the mouse
  int FWheelAccumulator = 0;
  int FHWheelAccumulator = 0;
};

// ---------------------------------------------------------------------------
// TControlCanvas, TCustomControl and TGraphicControl

// A canvas bound to a control. While the control paints it draws on the DC
// of the WM_PAINT. Outside painting it gets a DC over the back buffer of the
// window that shows the control (offset to a windowless control's place);
// as on Win32 such drawing lasts only until the window paints again, so
// lasting output belongs in Paint.
class TControlCanvas : public TCanvas {
 public:
  TControlCanvas() = default;
  ~TControlCanvas() override;
  TControl* Control() const { return FControl; }
  void SetControl(TControl* Value);
  // Lets go of the DC (deleting the one the canvas made).
  void FreeHandle();

 protected:
  void CreateHandle() override;

 private:
  TControl* FControl = nullptr;
  HDC FOwnDC = nullptr;
};

// Paint draws on Canvas (or the raw PaintDC) during WM_PAINT.
class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  TCanvas* Canvas() const { return FCanvas.get(); }

 protected:
  void PaintWindow(HDC DC) override;
  virtual void Paint() {}
  HDC PaintDC() const { return FPaintDC; }

 private:
  std::unique_ptr<TControlCanvas> FCanvas;
  HDC FPaintDC = nullptr;
};

class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  TCanvas* Canvas() const { return FCanvas.get(); }
  TF_DECLARE_MESSAGES(TGraphicControl)

 protected:
  virtual void Paint() {}
  void WMPaint(TMessage& Message);
  HDC PaintDC() const { return FPaintDC; }

 private:
  std::unique_ptr<TControlCanvas> FCanvas;
  HDC FPaintDC = nullptr;
};

// The control with that window handle, or nullptr.
TWinControl* FindControl(HWND Handle);
// The form holding a control (nullptr when it sits on none).
TCustomForm* GetParentForm(const TControl* Control);
// The windowless control that has the mouse captured, if any.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);
// Virtual-key code of a Qt key (0 when it has none) and its scan code.
WORD VirtualKeyFromQt(int QtKey, Qt::KeyboardModifiers Modifiers, const QString& Text);
