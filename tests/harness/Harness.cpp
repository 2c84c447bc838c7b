// The test harness for windows: synthetic Qt input, pumping, recorders.

#include "tests/harness/Harness.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPixmap>
#include <QThread>
#include <QWheelEvent>
#include <QWindow>
#include <QtTest/qtestkeyboard.h>
#include <QtTest/qtestmouse.h>
#include <QtTest/qtestspontaneevent.h>

#include "platform/win32/Scheduler.h"
#include "platform/win32/WinUser.h"

namespace vcltest {

namespace {

Qt::MouseButtons PressedButtons;

Qt::KeyboardModifiers Modifiers(TShiftState Shift) {
  Qt::KeyboardModifiers m;
  if (Shift.Contains(ssShift)) m |= Qt::ShiftModifier;
  if (Shift.Contains(ssCtrl)) m |= Qt::ControlModifier;
  if (Shift.Contains(ssAlt)) m |= Qt::AltModifier;
  return m;
}

Qt::KeyboardModifiers HeldModifiers;  // modifier keys the harness holds down

// Synthetic input carries the scheduler's time, so that Qt's double-click
// recognition and the framework's agree (both see the manual clock in tests
// that use it).
ulong Timestamp() { return ulong(TScheduler::Instance().Now()); }

// The window the window system gives key input to: the focus window, else
// an open pop-up, else the active window.
QWindow* KeyWindow() {
  if (QWindow* w = QGuiApplication::focusWindow()) return w;
  if (QWidget* popup = QApplication::activePopupWidget()) return popup->windowHandle();
  if (QWidget* active = QApplication::activeWindow()) return active->windowHandle();
  return nullptr;
}

// A key event as the window system delivers it: to the focus window, where
// Qt finds the receiver (the focus widget, an open pop-up or menu) and sends
// the shortcut override first.
void SendKeyEvent(QEvent::Type Type, int QtKey, Qt::KeyboardModifiers Mods, const QString& Text) {
  QWindow* window = KeyWindow();
  if (!window) return;
  qt_handleKeyEvent(window, Type, QtKey, Mods, Text);
}

struct TKeySpec {
  int QtKey = 0;
  QString Text;
  bool Keypad = false;
};

// The Qt key and the text a US keyboard gives for a virtual key.
TKeySpec SpecOf(WORD Vk, bool Shift, bool Ctrl) {
  TKeySpec s;
  if (Vk >= 'A' && Vk <= 'Z') {
    s.QtKey = Vk;
    if (Ctrl) s.Text = QString(QChar(char16_t(Vk - 'A' + 1)));
    else s.Text = Shift ? QString(QChar(char16_t(Vk))) : QString(QChar(char16_t(Vk))).toLower();
    return s;
  }
  if (Vk >= '0' && Vk <= '9') {
    static const char16_t shifted[] = u")!@#$%^&*(";
    s.QtKey = Vk;
    s.Text = Ctrl ? QString() : Shift ? QString(QChar(shifted[Vk - '0'])) : QString(QChar(char16_t(Vk)));
    return s;
  }
  if (Vk >= VK_NUMPAD0 && Vk <= VK_NUMPAD9) {
    s.QtKey = Qt::Key_0 + (Vk - VK_NUMPAD0);
    s.Text = QString(QChar(char16_t('0' + (Vk - VK_NUMPAD0))));
    s.Keypad = true;
    return s;
  }
  if (Vk >= VK_F1 && Vk <= VK_F24) {
    s.QtKey = Qt::Key_F1 + (Vk - VK_F1);
    return s;
  }
  struct TOem {
    WORD Vk;
    int Key;
    int ShiftedKey;
    char16_t Plain;
    char16_t Shifted;
  };
  static const TOem oem[] = {
      {VK_OEM_1, Qt::Key_Semicolon, Qt::Key_Colon, u';', u':'},
      {VK_OEM_PLUS, Qt::Key_Equal, Qt::Key_Plus, u'=', u'+'},
      {VK_OEM_COMMA, Qt::Key_Comma, Qt::Key_Less, u',', u'<'},
      {VK_OEM_MINUS, Qt::Key_Minus, Qt::Key_Underscore, u'-', u'_'},
      {VK_OEM_PERIOD, Qt::Key_Period, Qt::Key_Greater, u'.', u'>'},
      {VK_OEM_2, Qt::Key_Slash, Qt::Key_Question, u'/', u'?'},
      {VK_OEM_3, Qt::Key_QuoteLeft, Qt::Key_AsciiTilde, u'`', u'~'},
      {VK_OEM_4, Qt::Key_BracketLeft, Qt::Key_BraceLeft, u'[', u'{'},
      {VK_OEM_5, Qt::Key_Backslash, Qt::Key_Bar, u'\\', u'|'},
      {VK_OEM_6, Qt::Key_BracketRight, Qt::Key_BraceRight, u']', u'}'},
      {VK_OEM_7, Qt::Key_Apostrophe, Qt::Key_QuoteDbl, u'\'', u'"'},
  };
  for (const TOem& o : oem) {
    if (o.Vk != Vk) continue;
    s.QtKey = Shift ? o.ShiftedKey : o.Key;
    s.Text = Ctrl ? QString() : QString(QChar(Shift ? o.Shifted : o.Plain));
    return s;
  }
  switch (Vk) {
    case VK_RETURN: s.QtKey = Qt::Key_Return; s.Text = QStringLiteral("\r"); break;
    case VK_TAB: s.QtKey = Shift ? Qt::Key_Backtab : Qt::Key_Tab; s.Text = QStringLiteral("\t"); break;
    case VK_BACK: s.QtKey = Qt::Key_Backspace; s.Text = QStringLiteral("\b"); break;
    case VK_ESCAPE: s.QtKey = Qt::Key_Escape; s.Text = QString(QChar(char16_t(27))); break;
    case VK_SPACE: s.QtKey = Qt::Key_Space; s.Text = QStringLiteral(" "); break;
    case VK_DELETE: s.QtKey = Qt::Key_Delete; s.Text = QString(QChar(char16_t(127))); break;
    case VK_DECIMAL: s.QtKey = Qt::Key_Period; s.Text = QStringLiteral("."); s.Keypad = true; break;
    case VK_ADD: s.QtKey = Qt::Key_Plus; s.Text = QStringLiteral("+"); s.Keypad = true; break;
    case VK_SUBTRACT: s.QtKey = Qt::Key_Minus; s.Text = QStringLiteral("-"); s.Keypad = true; break;
    case VK_MULTIPLY: s.QtKey = Qt::Key_Asterisk; s.Text = QStringLiteral("*"); s.Keypad = true; break;
    case VK_DIVIDE: s.QtKey = Qt::Key_Slash; s.Text = QStringLiteral("/"); s.Keypad = true; break;
    case VK_LEFT: s.QtKey = Qt::Key_Left; break;
    case VK_RIGHT: s.QtKey = Qt::Key_Right; break;
    case VK_UP: s.QtKey = Qt::Key_Up; break;
    case VK_DOWN: s.QtKey = Qt::Key_Down; break;
    case VK_HOME: s.QtKey = Qt::Key_Home; break;
    case VK_END: s.QtKey = Qt::Key_End; break;
    case VK_PRIOR: s.QtKey = Qt::Key_PageUp; break;
    case VK_NEXT: s.QtKey = Qt::Key_PageDown; break;
    case VK_INSERT: s.QtKey = Qt::Key_Insert; break;
    case VK_SHIFT: s.QtKey = Qt::Key_Shift; break;
    case VK_CONTROL: s.QtKey = Qt::Key_Control; break;
    case VK_MENU: s.QtKey = Qt::Key_Alt; break;
    case VK_APPS: s.QtKey = Qt::Key_Menu; break;
    default: break;
  }
  return s;
}

void ModifierKeys(TShiftState Shift, bool Down) {
  struct TMod {
    TShiftStateItem Item;
    WORD Vk;
    Qt::KeyboardModifier Flag;
  };
  static const TMod mods[] = {{ssCtrl, VK_CONTROL, Qt::ControlModifier},
                              {ssAlt, VK_MENU, Qt::AltModifier},
                              {ssShift, VK_SHIFT, Qt::ShiftModifier}};
  if (Down) {
    for (const TMod& m : mods) {
      if (!Shift.Contains(m.Item)) continue;
      HeldModifiers |= m.Flag;
      SendKeyEvent(QEvent::KeyPress, SpecOf(m.Vk, false, false).QtKey, HeldModifiers, QString());
    }
  } else {
    for (int i = 2; i >= 0; --i) {
      const TMod& m = mods[i];
      if (!Shift.Contains(m.Item)) continue;
      HeldModifiers &= ~Qt::KeyboardModifiers(m.Flag);
      SendKeyEvent(QEvent::KeyRelease, SpecOf(m.Vk, false, false).QtKey, HeldModifiers, QString());
    }
  }
}

void KeyEvent(QEvent::Type Type, WORD Vk, TShiftState Shift, bool Keypad) {
  const TKeySpec s = SpecOf(Vk, Shift.Contains(ssShift), Shift.Contains(ssCtrl));
  Qt::KeyboardModifiers mods = Modifiers(Shift);
  if (s.Keypad || Keypad) mods |= Qt::KeypadModifier;
  SendKeyEvent(Type, s.QtKey, mods, s.Text);
}

// A point of a control (X, Y in its client coordinates) as the window
// system sees it: a point of the control's top-level window and of the
// screen. Qt then finds the widget under the point (a child of a Qt control
// such as an editor's viewport or a scroll bar, an open pop-up, the widget
// holding the mouse while a button is down) as it does for real input.
struct TWindowPoint {
  QWidget* TopLevel = nullptr;
  QPointF Local;
  QPointF Global;
};

bool WindowPoint(QWidget* Widget, QPoint Local, TWindowPoint& Point) {
  if (!Widget) return false;
  Point.Global = Widget->mapToGlobal(QPointF(Local));
  Point.TopLevel = Widget->window();
  Point.Local = Point.TopLevel->mapFromGlobal(Point.Global);
  return Point.TopLevel->windowHandle() != nullptr;
}

bool WindowPoint(TControl* Control, int X, int Y, TWindowPoint& Point) {
  if (auto* windowed = dynamic_cast<TWinControl*>(Control)) {
    // Client coordinates count from the client area's corner (inside a
    // border or scroll bars).
    const TRect client = windowed->ClientArea();
    return WindowPoint(windowed->WidgetIfAllocated(), QPoint(X + client.Left, Y + client.Top), Point);
  }
  if (!Control->Parent()) return false;
  const TPoint p = Control->ClientToParent(TPoint(X, Y));
  return WindowPoint(Control->Parent()->WidgetIfAllocated(), QPoint(p.X, p.Y), Point);
}

void SendMouseAt(const TWindowPoint& p, QEvent::Type Type, Qt::MouseButton Button, TShiftState Shift) {
  if (Type == QEvent::MouseButtonPress) PressedButtons |= Button;
  if (Type == QEvent::MouseButtonRelease) PressedButtons &= ~Qt::MouseButtons(Button);
  qt_handleMouseEvent(p.TopLevel->windowHandle(), p.Local, p.Global, PressedButtons, Button, Type, Modifiers(Shift),
                      int(Timestamp()));
}

void SendMouse(QEvent::Type Type, TControl* Control, int X, int Y, Qt::MouseButton Button, TShiftState Shift) {
  TWindowPoint p;
  if (WindowPoint(Control, X, Y, p)) SendMouseAt(p, Type, Button, Shift);
}

// A wheel turn at a point, delivered as Qt delivers the window system's:
// to the widget under the point (of an open pop-up, if any), marked as
// coming from the window system so that an unused turn goes up to the
// parents.
void SendWheelAt(const TWindowPoint& p, QPoint Angle, TShiftState Shift) {
  QWidget* root = p.TopLevel;
  if (QWidget* popup = QApplication::activePopupWidget()) root = popup;
  const QPoint pos = root->mapFromGlobal(p.Global).toPoint();
  QWidget* receiver = root->childAt(pos);
  if (!receiver) receiver = root;
  QWheelEvent e(QPointF(receiver->mapFrom(root, pos)), p.Global, QPoint(), Angle, PressedButtons, Modifiers(Shift),
                Qt::NoScrollPhase, false);
  e.setTimestamp(Timestamp());
  QSpontaneKeyEvent::setSpontaneous(&e);
  qApp->notify(receiver, &e);
}

void SendWheel(TControl* Control, QPoint Angle, int X, int Y, TShiftState Shift) {
  TWindowPoint p;
  if (WindowPoint(Control, X, Y, p)) SendWheelAt(p, Angle, Shift);
}

Qt::MouseButton QtButton(TMouseButton b) {
  switch (b) {
    case mbRight: return Qt::RightButton;
    case mbMiddle: return Qt::MiddleButton;
    default: return Qt::LeftButton;
  }
}

}  // namespace

void Pump() {
  for (int round = 0; round < 3; ++round) {
    ProcessPostedMessages();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
  }
  ProcessPostedMessages();
}

bool ShowAndActivate(TCustomForm* Form) {
  Form->Show();
  QWidget* w = Form->Widget();
  w->activateWindow();
  QElapsedTimer timer;
  timer.start();
  while (!w->isActiveWindow() && timer.elapsed() < 2000) {
    Pump();
    if (!w->isActiveWindow()) QThread::msleep(1);
  }
  Pump();
  return w->isActiveWindow();
}

void Key(WORD Vk, TShiftState Shift) {
  KeyDown(Vk, Shift);
  KeyUp(Vk, Shift);
}

void KeyDown(WORD Vk, TShiftState Shift) {
  ModifierKeys(Shift, true);
  KeyEvent(QEvent::KeyPress, Vk, Shift, false);
  Pump();
}

void KeyUp(WORD Vk, TShiftState Shift) {
  KeyEvent(QEvent::KeyRelease, Vk, Shift, false);
  ModifierKeys(Shift, false);
  Pump();
}

void KeypadKey(WORD Vk) {
  KeyEvent(QEvent::KeyPress, Vk, TShiftState(), true);
  KeyEvent(QEvent::KeyRelease, Vk, TShiftState(), true);
  Pump();
}

void Type(const QString& Text) {
  for (QChar c : Text) {
    const char16_t u = c.unicode();
    WORD vk = 0;
    bool shift = false;
    if (u >= 'a' && u <= 'z') vk = WORD(u - 'a' + 'A');
    else if (u >= 'A' && u <= 'Z') { vk = u; shift = true; }
    else if (u >= '0' && u <= '9') vk = u;
    else if (u == ' ') vk = VK_SPACE;
    else if (u == '\r' || u == '\n') vk = VK_RETURN;
    else if (u == '\t') vk = VK_TAB;
    if (vk) {
      const TShiftState s = shift ? TShiftState{ssShift} : TShiftState();
      KeyEvent(QEvent::KeyPress, vk, s, false);
      KeyEvent(QEvent::KeyRelease, vk, s, false);
    } else {
      // Signs and letters outside the letter keys: the key Qt would name,
      // with the character as text.
      const int key = u < 128 ? int(QChar(u).toUpper().unicode()) : 0;
      SendKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
      SendKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
    }
    Pump();
  }
}

void MouseDown(TControl* Control, int X, int Y, TMouseButton Button, TShiftState Shift) {
  SendMouse(QEvent::MouseButtonPress, Control, X, Y, QtButton(Button), Shift);
  Pump();
}

void MouseUp(TControl* Control, int X, int Y, TMouseButton Button, TShiftState Shift) {
  SendMouse(QEvent::MouseButtonRelease, Control, X, Y, QtButton(Button), Shift);
  Pump();
}

void MouseMove(TControl* Control, int X, int Y, TShiftState Shift) {
  SendMouse(QEvent::MouseMove, Control, X, Y, Qt::NoButton, Shift);
  Pump();
}

void Click(TControl* Control, int X, int Y, TMouseButton Button, TShiftState Shift) {
  MouseDown(Control, X, Y, Button, Shift);
  MouseUp(Control, X, Y, Button, Shift);
}

void DblClick(TControl* Control, int X, int Y, TMouseButton Button, TShiftState Shift) {
  // Two presses at the same time and place: Qt adds the double click after
  // the second press.
  const Qt::MouseButton b = QtButton(Button);
  SendMouse(QEvent::MouseButtonPress, Control, X, Y, b, Shift);
  SendMouse(QEvent::MouseButtonRelease, Control, X, Y, b, Shift);
  SendMouse(QEvent::MouseButtonPress, Control, X, Y, b, Shift);
  SendMouse(QEvent::MouseButtonRelease, Control, X, Y, b, Shift);
  Pump();
}

void Drag(TControl* Control, TPoint From, TPoint To, int Steps, TMouseButton Button) {
  MouseDown(Control, From.X, From.Y, Button);
  Steps = std::max(Steps, 1);
  for (int i = 1; i <= Steps; ++i) {
    const int x = From.X + (To.X - From.X) * i / Steps;
    const int y = From.Y + (To.Y - From.Y) * i / Steps;
    SendMouse(QEvent::MouseMove, Control, x, y, Qt::NoButton, TShiftState());
    Pump();
  }
  MouseUp(Control, To.X, To.Y, Button);
}

void Wheel(TControl* Control, int Notches, int X, int Y, TShiftState Shift) {
  SendWheel(Control, QPoint(0, Notches * 120), X, Y, Shift);
  Pump();
}

void WheelDelta(TControl* Control, int Delta, int X, int Y) {
  SendWheel(Control, QPoint(0, Delta), X, Y, TShiftState());
  Pump();
}

// --- Qt widgets

void ClickWidget(QWidget* Widget, int X, int Y, TMouseButton Button) {
  TWindowPoint p;
  if (!WindowPoint(Widget, QPoint(X, Y), p)) return;
  SendMouseAt(p, QEvent::MouseButtonPress, QtButton(Button), TShiftState());
  Pump();
  // The press may have opened or closed a window: the release goes where
  // the point is now.
  if (!WindowPoint(Widget, QPoint(X, Y), p)) return;
  SendMouseAt(p, QEvent::MouseButtonRelease, QtButton(Button), TShiftState());
  Pump();
}

void WheelWidget(QWidget* Widget, int Notches, int X, int Y) {
  TWindowPoint p;
  if (WindowPoint(Widget, QPoint(X, Y), p)) SendWheelAt(p, QPoint(0, Notches * 120), TShiftState());
  Pump();
}

QMenu* OpenMenu() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }

bool ClickMenuItem(TMenuItem* Item) {
  QAction* action = Item ? Item->QtAction() : nullptr;
  if (!action || !Item->Parent()) return false;
  QWidget* where = nullptr;
  QRect rect;
  if (TMenuItem* parent = Item->Parent(); parent->QtMenu()) {
    QMenu* menu = parent->QtMenu();
    if (!menu->isVisible()) return false;
    where = menu;
    rect = menu->actionGeometry(action);
  } else if (auto* main = dynamic_cast<TMainMenu*>(Item->GetParentMenu()); main && main->MenuBar()) {
    QMenuBar* bar = main->MenuBar();
    if (!bar->isVisible()) return false;
    where = bar;
    rect = bar->actionGeometry(action);
  }
  if (!where || rect.isEmpty()) return false;
  ClickWidget(where, rect.center().x(), rect.center().y());
  return true;
}

// --- clock

TManualClock::TManualClock(uint64_t StartMs) { TScheduler::Instance().UseManualClock(StartMs); }

TManualClock::~TManualClock() { TScheduler::Instance().UseRealClock(); }

int TManualClock::Advance(uint64_t Ms) {
  const int fired = TScheduler::Instance().Advance(Ms);
  Pump();
  return fired;
}

uint64_t TManualClock::Now() const { return TScheduler::Instance().Now(); }

// --- message log

class TMessageLog::TWatcher : public TComponent {
 public:
  TWatcher() : TComponent(nullptr) {}
  std::function<void(TComponent*)> OnGone;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && OnGone) OnGone(AComponent);
  }
};

TMessageLog::TMessageLog() : FWatcher(std::make_unique<TWatcher>()) {
  FWatcher->OnGone = [this](TComponent* gone) {
    for (auto it = FHooks.begin(); it != FHooks.end();) {
      if (it->Control == gone) it = FHooks.erase(it);
      else ++it;
    }
  };
}

TMessageLog::~TMessageLog() {
  // Unhook in reverse order so each control gets its own procedure back.
  for (auto it = FHooks.rbegin(); it != FHooks.rend(); ++it) {
    it->Control->RemoveFreeNotification(FWatcher.get());
    it->Control->SetWindowProc(it->Previous);
  }
  FWatcher->OnGone = nullptr;
}

void TMessageLog::Attach(TControl* Control, const QString& Name) {
  const QString name = Name.isEmpty() ? Control->Name() : Name;
  TWndMethod previous = Control->WindowProc();
  FHooks.push_back({Control, previous});
  Control->FreeNotification(FWatcher.get());
  Control->SetWindowProc([this, name, previous](TMessage& m) {
    FEntries.push_back({name, m.Msg, m.WParam, m.LParam});
    previous(m);
  });
}

QStringList TMessageLog::Lines(const QList<UINT>& Only) const {
  QStringList out;
  for (const TLoggedMessage& e : FEntries) {
    if (!Only.isEmpty() && !Only.contains(e.Msg)) continue;
    QString param;
    if (e.Msg == WM_SETFOCUS || e.Msg == WM_KILLFOCUS) {
      TWinControl* other = FindControl(reinterpret_cast<HWND>(e.WParam));
      param = other ? other->Name() : QStringLiteral("-");
    } else {
      param = QString::number(qulonglong(e.WParam));
    }
    out << QStringLiteral("%1 %2 %3").arg(e.Control, MessageName(e.Msg), param);
  }
  return out;
}

QStringList TMessageLog::Significant() const {
  QStringList out;
  const QList<UINT> noise = {WM_MOUSEMOVE, WM_SETCURSOR, WM_PAINT, WM_ERASEBKGND, CM_MOUSEENTER, CM_MOUSELEAVE,
                             WM_GETTEXTLENGTH, WM_GETTEXT, WM_GETDLGCODE, CM_WANTSPECIALKEY, CM_CHILDKEY,
                             CM_HITTEST, WM_CAPTURECHANGED, CM_FOCUSCHANGED, WM_MOVE, WM_SIZE};
  QList<UINT> keep;
  for (const TLoggedMessage& e : FEntries)
    if (!noise.contains(e.Msg) && !keep.contains(e.Msg)) keep << e.Msg;
  return keep.isEmpty() ? out : Lines(keep);
}

// --- invalidation log

TInvalidationLog::TInvalidationLog() {
  SetInvalidateHook([this](HWND h, const RECT* r) {
    FEntries.push_back(r ? TEntry{h, TRect(r->left, r->top, r->right, r->bottom), false} : TEntry{h, TRect(), true});
  });
}

TInvalidationLog::~TInvalidationLog() { SetInvalidateHook(nullptr); }

int TInvalidationLog::CountFor(HWND Window) const {
  int n = 0;
  for (const TEntry& e : FEntries) n += e.Window == Window;
  return n;
}

// --- images

QImage Grab(TControl* Control) {
  if (auto* w = dynamic_cast<TWinControl*>(Control)) return w->Widget()->grab().toImage();
  if (!Control->Parent()) return QImage();
  const TPoint p = Control->ClientToParent(TPoint(0, 0));
  return Control->Parent()->Widget()->grab(QRect(p.X, p.Y, Control->Width(), Control->Height())).toImage();
}

bool GrabToPng(TControl* Control, const QString& FileName) { return Grab(Control).save(FileName, "PNG"); }

}  // namespace vcltest
