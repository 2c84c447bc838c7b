// TControl, TWinControl, TCustomControl, TGraphicControl and the input
// translation from Qt events to Win32 messages.

#include "platform/vcl/Controls.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>
#include <QHelpEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <exception>
#include <vector>

#include "platform/rtl/SysUtils.h"
#include "platform/win32/Gdi.h"
#include "platform/win32/Scheduler.h"
#include "platform/vcl/ControlsConsts.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Themes.h"

namespace {

TControl* CaptureControl = nullptr;
HWND FocusLostBy = nullptr;  // window that received the last WM_KILLFOCUS
bool AltPressedAlone = false;

// Last button press, for double-click detection.
struct TLastClick {
  HWND Wnd = nullptr;
  UINT Msg = 0;
  uint64_t Time = 0;
  QPoint Pos;
  bool Valid = false;
} LastClick;

// The message trace: one line as a message enters Dispatch, indented by the
// depth of messages sent from handlers, and one with its result.
thread_local int TraceDepth = 0;

// Built only while tracing is on. The subject is kept as text: a handler may
// delete the control (CM_RELEASE).
class TMessageTrace {
 public:
  TMessageTrace(const TControl* Control, const TMessage& Message, const TMessageMapEntry* Entry)
      : FMessage(Message), FExceptions(std::uncaught_exceptions()) {
    FSubject = QStringLiteral("%1%2 \"%3\" %4")
                   .arg(QString(TraceDepth * 2, u' '), Control->ClassName(), Control->Name(), MessageName(Message.Msg));
    const QString handler = Entry ? QStringLiteral("%1::%2").arg(QLatin1String(Entry->ClassName),
                                                                 QLatin1String(Entry->HandlerName))
                                  : QStringLiteral("DefaultHandler");
    qCDebug(lcMsg).noquote() << QStringLiteral("%1 wParam=0x%2 lParam=0x%3 -> %4")
                                    .arg(FSubject)
                                    .arg(quint64(Message.WParam), 0, 16)
                                    .arg(quint64(Message.LParam), 0, 16)
                                    .arg(handler);
    ++TraceDepth;
  }
  ~TMessageTrace() {
    --TraceDepth;
    if (std::uncaught_exceptions() > FExceptions)
      qCDebug(lcMsg).noquote() << QStringLiteral("%1 raised an exception").arg(FSubject);
    else
      qCDebug(lcMsg).noquote() << QStringLiteral("%1 returned 0x%2").arg(FSubject).arg(quint64(FMessage.Result), 0, 16);
  }
  TMessageTrace(const TMessageTrace&) = delete;
  TMessageTrace& operator=(const TMessageTrace&) = delete;

 private:
  const TMessage& FMessage;
  int FExceptions;
  QString FSubject;
};

bool IsMouseMessage(UINT msg) {
  return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL && msg != WM_MOUSEHWHEEL;
}

WPARAM CurrentMouseKeys() {
  WPARAM keys = 0;
  if (GetKeyState(VK_LBUTTON) < 0) keys |= MK_LBUTTON;
  if (GetKeyState(VK_RBUTTON) < 0) keys |= MK_RBUTTON;
  if (GetKeyState(VK_MBUTTON) < 0) keys |= MK_MBUTTON;
  if (GetKeyState(VK_XBUTTON1) < 0) keys |= MK_XBUTTON1;
  if (GetKeyState(VK_XBUTTON2) < 0) keys |= MK_XBUTTON2;
  if (GetKeyState(VK_SHIFT) < 0) keys |= MK_SHIFT;
  if (GetKeyState(VK_CONTROL) < 0) keys |= MK_CONTROL;
  return keys;
}

void SyncModifiers(Qt::KeyboardModifiers mods) {
  auto sync = [](int vk, bool down) {
    if ((GetKeyState(vk) < 0) != down) SetInputKeyState(vk, down);
  };
  sync(VK_SHIFT, mods.testFlag(Qt::ShiftModifier));
  sync(VK_CONTROL, mods.testFlag(Qt::ControlModifier));
  sync(VK_MENU, mods.testFlag(Qt::AltModifier));
}

// Scan code (set 1) and the extended-key flag of a virtual key.
struct TScan {
  BYTE Code;
  bool Extended;
};

TScan ScanCodeOf(WORD vk, bool keypad) {
  static const char* const kTopRow = "1234567890";
  if (vk >= 'A' && vk <= 'Z') {
    static const BYTE letters[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
                                     0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
    return {letters[vk - 'A'], false};
  }
  if (vk >= '0' && vk <= '9') {
    const char* p = std::strchr(kTopRow, char(vk));
    return {BYTE(0x02 + (p - kTopRow)), false};
  }
  if (vk >= VK_F1 && vk <= VK_F10) return {BYTE(0x3B + (vk - VK_F1)), false};
  switch (vk) {
    case VK_ESCAPE: return {0x01, false};
    case VK_OEM_MINUS: return {0x0C, false};
    case VK_OEM_PLUS: return {0x0D, false};
    case VK_BACK: return {0x0E, false};
    case VK_TAB: return {0x0F, false};
    case VK_OEM_4: return {0x1A, false};
    case VK_OEM_6: return {0x1B, false};
    case VK_RETURN: return {0x1C, keypad};
    case VK_CONTROL: case VK_LCONTROL: return {0x1D, false};
    case VK_RCONTROL: return {0x1D, true};
    case VK_OEM_1: return {0x27, false};
    case VK_OEM_7: return {0x28, false};
    case VK_OEM_3: return {0x29, false};
    case VK_SHIFT: case VK_LSHIFT: return {0x2A, false};
    case VK_OEM_5: return {0x2B, false};
    case VK_OEM_COMMA: return {0x33, false};
    case VK_OEM_PERIOD: return {0x34, false};
    case VK_OEM_2: return {0x35, false};
    case VK_RSHIFT: return {0x36, false};
    case VK_MULTIPLY: return {0x37, false};
    case VK_MENU: case VK_LMENU: return {0x38, false};
    case VK_RMENU: return {0x38, true};
    case VK_SPACE: return {0x39, false};
    case VK_CAPITAL: return {0x3A, false};
    case VK_NUMLOCK: return {0x45, true};
    case VK_SCROLL: return {0x46, false};
    case VK_NUMPAD7: return {0x47, false};
    case VK_HOME: return {0x47, !keypad};
    case VK_NUMPAD8: return {0x48, false};
    case VK_UP: return {0x48, !keypad};
    case VK_NUMPAD9: return {0x49, false};
    case VK_PRIOR: return {0x49, !keypad};
    case VK_SUBTRACT: return {0x4A, false};
    case VK_NUMPAD4: return {0x4B, false};
    case VK_LEFT: return {0x4B, !keypad};
    case VK_NUMPAD5: case VK_CLEAR: return {0x4C, false};
    case VK_NUMPAD6: return {0x4D, false};
    case VK_RIGHT: return {0x4D, !keypad};
    case VK_ADD: return {0x4E, false};
    case VK_NUMPAD1: return {0x4F, false};
    case VK_END: return {0x4F, !keypad};
    case VK_NUMPAD2: return {0x50, false};
    case VK_DOWN: return {0x50, !keypad};
    case VK_NUMPAD3: return {0x51, false};
    case VK_NEXT: return {0x51, !keypad};
    case VK_NUMPAD0: return {0x52, false};
    case VK_INSERT: return {0x52, !keypad};
    case VK_DECIMAL: return {0x53, false};
    case VK_DELETE: return {0x53, !keypad};
    case VK_F11: return {0x57, false};
    case VK_F12: return {0x58, false};
    case VK_DIVIDE: return {0x35, true};
    case VK_LWIN: return {0x5B, true};
    case VK_RWIN: return {0x5C, true};
    case VK_APPS: return {0x5D, true};
    default: return {0, false};
  }
}

// The characters Win32 makes of a key press (WM_CHAR or WM_SYSCHAR codes).
QString Win32Chars(WORD vk, const QString& text, bool shift, bool ctrl, bool alt) {
  if (ctrl && !alt) {
    if (vk >= 'A' && vk <= 'Z') return QString(QChar(char16_t(vk - 'A' + 1)));
    switch (vk) {
      case VK_RETURN: return QString(QChar(char16_t(10)));
      case VK_BACK: return QString(QChar(char16_t(127)));
      case VK_OEM_4: return QString(QChar(char16_t(27)));
      case VK_OEM_5: return QString(QChar(char16_t(28)));
      case VK_OEM_6: return QString(QChar(char16_t(29)));
      case VK_CANCEL: return QString(QChar(char16_t(3)));
      case VK_SPACE: return QStringLiteral(" ");
      case '6': return shift ? QString(QChar(char16_t(30))) : QString();
      case VK_OEM_MINUS: return shift ? QString(QChar(char16_t(31))) : QString();
      default: return QString();
    }
  }
  switch (vk) {
    case VK_RETURN: return QString(QChar(char16_t(13)));
    case VK_TAB: return QString(QChar(char16_t(9)));
    case VK_ESCAPE: return QString(QChar(char16_t(27)));
    case VK_BACK: return QString(QChar(char16_t(8)));
    case VK_SPACE: return QStringLiteral(" ");
    case VK_DELETE: return QString();
    default: break;
  }
  QString out;
  for (QChar c : text)
    if (c.unicode() >= 32 && c.unicode() != 127) out += c;
  return out;
}

QChar ShiftedUs(WORD vk) {
  switch (vk) {
    case '1': return u'!';
    case '2': return u'@';
    case '3': return u'#';
    case '4': return u'$';
    case '5': return u'%';
    case '6': return u'^';
    case '7': return u'&';
    case '8': return u'*';
    case '9': return u'(';
    case '0': return u')';
    default: return QChar();
  }
}

int QtKeyFromVirtualKey(WORD vk) {
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return vk;
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return Qt::Key_0 + (vk - VK_NUMPAD0);
  if (vk >= VK_F1 && vk <= VK_F24) return Qt::Key_F1 + (vk - VK_F1);
  switch (vk) {
    case VK_BACK: return Qt::Key_Backspace;
    case VK_TAB: return Qt::Key_Tab;
    case VK_RETURN: return Qt::Key_Return;
    case VK_ESCAPE: return Qt::Key_Escape;
    case VK_SPACE: return Qt::Key_Space;
    case VK_PRIOR: return Qt::Key_PageUp;
    case VK_NEXT: return Qt::Key_PageDown;
    case VK_END: return Qt::Key_End;
    case VK_HOME: return Qt::Key_Home;
    case VK_LEFT: return Qt::Key_Left;
    case VK_UP: return Qt::Key_Up;
    case VK_RIGHT: return Qt::Key_Right;
    case VK_DOWN: return Qt::Key_Down;
    case VK_INSERT: return Qt::Key_Insert;
    case VK_DELETE: return Qt::Key_Delete;
    case VK_SHIFT: return Qt::Key_Shift;
    case VK_CONTROL: return Qt::Key_Control;
    case VK_MENU: return Qt::Key_Alt;
    default: return Qt::Key_unknown;
  }
}

Qt::KeyboardModifiers ModifiersFromKeyState() {
  Qt::KeyboardModifiers mods;
  if (GetKeyState(VK_SHIFT) < 0) mods |= Qt::ShiftModifier;
  if (GetKeyState(VK_CONTROL) < 0) mods |= Qt::ControlModifier;
  if (GetKeyState(VK_MENU) < 0) mods |= Qt::AltModifier;
  return mods;
}

}  // namespace

// ---------------------------------------------------------------------------
// Free functions

TShiftState KeyDataToShiftState(LONG KeyData) {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (KeyData & KF_ALTDOWN_BIT) s.Include(ssAlt);
  return s;
}

TShiftState KeyboardStateToShiftState() {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  if (GetKeyState(VK_LBUTTON) < 0) s.Include(ssLeft);
  if (GetKeyState(VK_RBUTTON) < 0) s.Include(ssRight);
  if (GetKeyState(VK_MBUTTON) < 0) s.Include(ssMiddle);
  return s;
}

TShiftState MouseKeysToShiftState(WPARAM Keys) {
  TShiftState s;
  if (Keys & MK_SHIFT) s.Include(ssShift);
  if (Keys & MK_CONTROL) s.Include(ssCtrl);
  if (Keys & MK_LBUTTON) s.Include(ssLeft);
  if (Keys & MK_RBUTTON) s.Include(ssRight);
  if (Keys & MK_MBUTTON) s.Include(ssMiddle);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

WORD VirtualKeyFromQt(int key, Qt::KeyboardModifiers mods, const QString& text) {
  const bool keypad = mods.testFlag(Qt::KeypadModifier);
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return WORD(key);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return keypad ? WORD(VK_NUMPAD0 + (key - Qt::Key_0)) : WORD(key);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return WORD(VK_F1 + (key - Qt::Key_F1));
  switch (key) {
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Tab: case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Return: case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_Print: return VK_SNAPSHOT;
    case Qt::Key_Clear: return VK_CLEAR;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_AltGr: return VK_RMENU;
    case Qt::Key_Meta: return VK_LWIN;
    case Qt::Key_Menu: return VK_APPS;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_NumLock: return VK_NUMLOCK;
    case Qt::Key_ScrollLock: return VK_SCROLL;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_Semicolon: case Qt::Key_Colon: return VK_OEM_1;
    case Qt::Key_Equal: return VK_OEM_PLUS;
    case Qt::Key_Plus: return keypad ? VK_ADD : VK_OEM_PLUS;
    case Qt::Key_Comma: case Qt::Key_Less: return VK_OEM_COMMA;
    case Qt::Key_Minus: return keypad ? VK_SUBTRACT : VK_OEM_MINUS;
    case Qt::Key_Underscore: return VK_OEM_MINUS;
    case Qt::Key_Period: return keypad ? VK_DECIMAL : VK_OEM_PERIOD;
    case Qt::Key_Greater: return VK_OEM_PERIOD;
    case Qt::Key_Slash: return keypad ? VK_DIVIDE : VK_OEM_2;
    case Qt::Key_Question: return VK_OEM_2;
    case Qt::Key_QuoteLeft: case Qt::Key_AsciiTilde: return VK_OEM_3;
    case Qt::Key_BracketLeft: case Qt::Key_BraceLeft: return VK_OEM_4;
    case Qt::Key_Backslash: case Qt::Key_Bar: return VK_OEM_5;
    case Qt::Key_BracketRight: case Qt::Key_BraceRight: return VK_OEM_6;
    case Qt::Key_Apostrophe: case Qt::Key_QuoteDbl: return VK_OEM_7;
    case Qt::Key_Asterisk: return keypad ? VK_MULTIPLY : WORD('8');
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_ParenLeft: return '9';
    case Qt::Key_ParenRight: return '0';
    default: break;
  }
  // A character key outside the US layout: the key of its letter when it
  // has one, otherwise a packet key that only carries the character.
  if (text.size() == 1) {
    const QChar c = text[0].toUpper();
    if (c >= u'A' && c <= u'Z') return WORD(c.unicode());
  }
  return text.isEmpty() ? 0 : VK_PACKET;
}

TWinControl* FindControl(HWND Handle) { return dynamic_cast<TWinControl*>(FindWindowObject(Handle)); }

TCustomForm* GetParentForm(const TControl* Control) {
  const TControl* c = Control;
  while (c && c->Parent()) c = c->Parent();
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

TControl* GetCaptureControl() {
  TWinControl* windowed = FindControl(GetCapture());
  if (windowed && CaptureControl && CaptureControl->Parent() == windowed) return CaptureControl;
  return windowed;
}

void SetCaptureControl(TControl* Control) {
  ReleaseCapture();
  CaptureControl = nullptr;
  if (!Control) return;
  TWinControl* window = dynamic_cast<TWinControl*>(Control);
  if (!window) {
    if (!Control->Parent()) return;
    CaptureControl = Control;
    window = Control->Parent();
  }
  if (window->HandleAllocated()) SetCapture(window->Handle());
}

bool HostWidgetEvent(TWidgetHost* Host, QEvent* Event) {
  TWinControl* control = Host->Control;
  bool result = true;
  ++Host->EventDepth;
  CallGuarded([&] { result = control->HostEvent(Event); });
  --Host->EventDepth;
  return result;
}

void DeliverMouseOrigin(const TMessage& Message, QMouseEvent* Origin, const std::function<void(QMouseEvent*)>& Deliver) {
  const UINT msg = Message.Msg;
  const bool dbl = msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
  const bool down = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN;
  auto as = [&](QEvent::Type Type) {
    QMouseEvent e(Type, Origin->position(), Origin->scenePosition(), Origin->globalPosition(), Origin->button(),
                  Origin->buttons(), Origin->modifiers());
    e.setTimestamp(Origin->timestamp());
    Deliver(&e);
  };
  if (down && Origin->type() == QEvent::MouseButtonDblClick) {
    as(QEvent::MouseButtonPress);
    return;
  }
  Deliver(Origin);
  if (dbl && Origin->type() == QEvent::MouseButtonPress) as(QEvent::MouseButtonDblClick);
}

// ---------------------------------------------------------------------------
// TControl

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), FFont(std::make_unique<TFont>()) {
  FWindowProc = DefaultWindowProc();
  FFont->OnChange = [this](TObject*) { FontChanged(); };
}

TControl::~TControl() {
  FFont->OnChange = nullptr;
  if (CaptureControl == this) CaptureControl = nullptr;
  if (FParent) FParent->RemoveControl(this);
}

TWndMethod TControl::DefaultWindowProc() {
  return [this](TMessage& m) { WndProc(m); };
}

void TControl::SetWindowProc(TWndMethod Value) { FWindowProc = Value ? std::move(Value) : DefaultWindowProc(); }

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage m;
  m.Msg = Msg;
  m.WParam = WParam;
  m.LParam = LParam;
  return Perform(m);
}

LRESULT TControl::Perform(TMessage& Message) {
  if (FWindowProc) {
    // A copy: the procedure may replace itself while it runs.
    TWndMethod proc = FWindowProc;
    proc(Message);
  } else {
    WndProc(Message);
  }
  return Message.Result;
}

void TControl::WndProc(TMessage& Message) {
  // Windowless controls without double clicks see the second click as a
  // press.
  if (!FControlStyle.Contains(csDoubleClicks)) {
    switch (Message.Msg) {
      case WM_LBUTTONDBLCLK: Message.Msg = WM_LBUTTONDOWN; break;
      case WM_RBUTTONDBLCLK: Message.Msg = WM_RBUTTONDOWN; break;
      case WM_MBUTTONDBLCLK: Message.Msg = WM_MBUTTONDOWN; break;
      default: break;
    }
  }
  Dispatch(Message);
}

// --- message maps

TMessageMap::TMessageMap(const char* ClassName, const TMessageMap* Parent, std::vector<TMessageMapEntry> Own)
    : FClassName(ClassName), FParent(Parent) {
  for (TMessageMapEntry& e : Own) e.ClassName = ClassName;
  std::stable_sort(Own.begin(), Own.end(),
                   [](const TMessageMapEntry& a, const TMessageMapEntry& b) { return a.Msg < b.Msg; });
  for (size_t i = 1; i < Own.size(); ++i)
    if (Own[i].Msg == Own[i - 1].Msg)
      qFatal("%s: %s is entered twice in its message map", ClassName, qPrintable(MessageName(Own[i].Msg)));
  // Own entries first, then the parent's for the ids this class leaves alone.
  FEntries = std::move(Own);
  if (Parent) {
    std::vector<TMessageMapEntry> merged;
    merged.reserve(FEntries.size() + Parent->FEntries.size());
    auto own = FEntries.begin();
    for (const TMessageMapEntry& inherited : Parent->FEntries) {
      while (own != FEntries.end() && own->Msg < inherited.Msg) merged.push_back(*own++);
      if (own != FEntries.end() && own->Msg == inherited.Msg) continue;
      merged.push_back(inherited);
    }
    merged.insert(merged.end(), own, FEntries.end());
    FEntries = std::move(merged);
  }
}

const TMessageMapEntry* TMessageMap::Find(UINT Msg) const {
  auto it = std::lower_bound(FEntries.begin(), FEntries.end(), Msg,
                             [](const TMessageMapEntry& e, UINT m) { return e.Msg < m; });
  return it != FEntries.end() && it->Msg == Msg ? &*it : nullptr;
}

const TMessageMap& TControl::StaticMessageMap() {
  static const TMessageMap map("TControl", nullptr, MessageTable());
  return map;
}

const TMessageMap& TControl::MessageMap() const { return StaticMessageMap(); }

std::vector<TMessageMapEntry> TControl::MessageTable() {
  return {
      TF_MESSAGE(WM_LBUTTONDOWN, WMLButtonDown),
      TF_MESSAGE(WM_LBUTTONDBLCLK, WMLButtonDblClk),
      TF_MESSAGE(WM_LBUTTONUP, WMLButtonUp),
      TF_MESSAGE(WM_RBUTTONDOWN, WMRButtonDown),
      TF_MESSAGE(WM_RBUTTONDBLCLK, WMRButtonDblClk),
      TF_MESSAGE(WM_RBUTTONUP, WMRButtonUp),
      TF_MESSAGE(WM_MBUTTONDOWN, WMMButtonDown),
      TF_MESSAGE(WM_MBUTTONDBLCLK, WMMButtonDblClk),
      TF_MESSAGE(WM_MBUTTONUP, WMMButtonUp),
      TF_MESSAGE(WM_MOUSEMOVE, WMMouseMove),
      TF_MESSAGE(CM_MOUSEENTER, CMMouseEnter),
      TF_MESSAGE(CM_MOUSELEAVE, CMMouseLeave),
      TF_MESSAGE(WM_MOUSEWHEEL, WMMouseWheel),
      TF_MESSAGE(CM_MOUSEWHEEL, CMMouseWheel),
      TF_MESSAGE(CM_HITTEST, CMHitTest),
      TF_MESSAGE(WM_CONTEXTMENU, WMContextMenu),
      TF_MESSAGE(WM_CANCELMODE, WMCancelMode),
      TF_MESSAGE(CM_CANCELMODE, WMCancelMode),
      TF_MESSAGE(CM_PARENTFONTCHANGED, CMParentFontChanged),
  };
}

void TControl::Dispatch(TMessage& Message) { DispatchWith(MessageMap(), Message); }

void TControl::DispatchWith(const TMessageMap& Map, TMessage& Message) {
  const TMessageMapEntry* entry = Map.Find(Message.Msg);
  if (Q_UNLIKELY(lcMsg().isDebugEnabled())) {
    TMessageTrace trace(this, Message, entry);
    if (entry) (this->*entry->Handler)(Message);
    else DefaultHandler(Message);
    return;
  }
  if (entry) (this->*entry->Handler)(Message);
  else DefaultHandler(Message);
}

void TControl::WMLButtonDown(TMessage& Message) { HandleMouseButton(Message, mbLeft, true, false); }
void TControl::WMLButtonDblClk(TMessage& Message) { HandleMouseButton(Message, mbLeft, true, true); }
void TControl::WMLButtonUp(TMessage& Message) { HandleMouseButton(Message, mbLeft, false, false); }
void TControl::WMRButtonDown(TMessage& Message) { HandleMouseButton(Message, mbRight, true, false); }
void TControl::WMRButtonDblClk(TMessage& Message) { HandleMouseButton(Message, mbRight, true, true); }
void TControl::WMRButtonUp(TMessage& Message) { HandleMouseButton(Message, mbRight, false, false); }
void TControl::WMMButtonDown(TMessage& Message) { HandleMouseButton(Message, mbMiddle, true, false); }
void TControl::WMMButtonDblClk(TMessage& Message) { HandleMouseButton(Message, mbMiddle, true, true); }
void TControl::WMMButtonUp(TMessage& Message) { HandleMouseButton(Message, mbMiddle, false, false); }

void TControl::WMMouseMove(TMessage& Message) {
  DefaultHandler(Message);
  if (!FControlStyle.Contains(csNoStdEvents)) {
    TWMMouse m(Message);
    MouseMove(MouseKeysToShiftState(m.Keys()), m.XPos(), m.YPos());
  }
}

void TControl::CMMouseEnter(TMessage&) {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::CMMouseLeave(TMessage&) {
  if (OnMouseLeave) OnMouseLeave(this);
}

void TControl::WMMouseWheel(TMessage& Message) {
  Message.Result = Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam);
  if (Message.Result == 0) DefaultHandler(Message);
}

void TControl::CMMouseWheel(TMessage& Message) {
  TWMMouseWheel w(Message);
  TShiftState shift = MouseKeysToShiftState(w.Keys());
  if (DoMouseWheel(shift, w.WheelDelta(), TPoint(w.XPos(), w.YPos())))
    Message.Result = 1;
  else if (FParent)
    Message.Result = FParent->Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam);
}

void TControl::CMHitTest(TMessage& Message) { Message.Result = HTCLIENT; }

void TControl::WMCancelMode(TMessage&) {
  if (MouseCapture()) SetMouseCapture(false);
}

void TControl::FontChanged() {
  if (!FTakingParentFont) FParentFont = false;
  Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetParentFont(bool Value) {
  if (FParentFont == Value) return;
  FParentFont = Value;
  if (FParent && !ComponentState().Contains(csReading)) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::CMParentFontChanged(TMessage& Message) {
  if (!FParentFont) return;
  const TFont* source = Message.WParam != 0 ? reinterpret_cast<const TFont*>(Message.LParam)
                        : FParent             ? FParent->Font()
                                              : nullptr;
  if (!source || source->SameAs(*FFont)) return;
  FTakingParentFont = true;
  try {
    FFont->Assign(const_cast<TFont*>(source));
  } catch (...) {
    FTakingParentFont = false;
    throw;
  }
  FTakingParentFont = false;
}

void TControl::DefaultHandler(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETTEXTLENGTH: Message.Result = FText.size(); break;
    case WM_GETTEXT: {
      auto* buffer = reinterpret_cast<WCHAR*>(Message.LParam);
      const qsizetype room = qsizetype(Message.WParam);
      if (!buffer || room <= 0) {
        Message.Result = 0;
        break;
      }
      const qsizetype n = std::min(room - 1, FText.size());
      std::copy_n(reinterpret_cast<const WCHAR*>(FText.utf16()), n, buffer);
      buffer[n] = 0;
      Message.Result = n;
      break;
    }
    case WM_SETTEXT:
      FText = Message.LParam ? QString::fromUtf16(reinterpret_cast<const char16_t*>(Message.LParam)) : QString();
      Message.Result = 1;
      break;
    default: break;
  }
}

void TControl::HandleMouseButton(TMessage& Message, TMouseButton Button, bool Down, bool Double) {
  DefaultHandler(Message);
  if (Down) {
    if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
    if (Double) {
      if (FControlStyle.Contains(csClickEvents)) DblClick();
      DoMouseDown(Message, Button, TShiftState{ssDouble});
    } else {
      if (Button == mbLeft && FControlStyle.Contains(csClickEvents)) FControlState.Include(csClicked);
      DoMouseDown(Message, Button, TShiftState());
    }
    return;
  }
  if (FControlStyle.Contains(csCaptureMouse) && MouseCapture() &&
      (CurrentMouseKeys() & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0)
    SetMouseCapture(false);
  if (Button == mbLeft && FControlState.Contains(csClicked)) {
    FControlState.Exclude(csClicked);
    TWMMouse m(Message);
    if (ClientRect().Contains(TPoint(m.XPos(), m.YPos()))) Click();
  }
  DoMouseUp(Message, Button);
}

void TControl::DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift) {
  if (FControlStyle.Contains(csNoStdEvents)) return;
  TWMMouse m(Message);
  MouseDown(Button, MouseKeysToShiftState(m.Keys()) + Shift, m.XPos(), m.YPos());
}

void TControl::DoMouseUp(TMessage& Message, TMouseButton Button) {
  if (FControlStyle.Contains(csNoStdEvents)) return;
  TWMMouse m(Message);
  MouseUp(Button, MouseKeysToShiftState(m.Keys()), m.XPos(), m.YPos());
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
  if (!handled) {
    if (WheelDelta < 0 && OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, handled);
    if (WheelDelta > 0 && OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, handled);
  }
  return handled;
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
  if (FPopupMenu == Value) return;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = Value;
  if (FPopupMenu) FPopupMenu->FreeNotification(this);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

void TControl::DoContextPopup(const TPoint& MousePos, bool& Handled) {
  if (OnContextPopup) OnContextPopup(this, MousePos, Handled);
}

void TControl::WMContextMenu(TMessage& Message) {
  if (Message.Result != 0) return;
  const TPoint screen(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
  const bool fromKeyboard = screen.X == -1 && screen.Y == -1;
  TPoint local(-1, -1);
  if (!fromKeyboard) {
    local = ScreenToClient(screen);
    if (!ClientRect().Contains(local)) {
      DefaultHandler(Message);
      return;
    }
  }
  bool handled = false;
  DoContextPopup(local, handled);
  if (handled) {
    Message.Result = 1;
    return;
  }
  if (FPopupMenu && FPopupMenu->AutoPopup()) {
    if (MouseCapture()) SetMouseCapture(false);
    FPopupMenu->SetPopupComponent(this);
    const TPoint at = fromKeyboard ? ClientToScreen(TPoint(0, 0)) : screen;
    FPopupMenu->Popup(at.X, at.Y);
    Message.Result = 1;
    return;
  }
  DefaultHandler(Message);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::SetParent(TWinControl* AParent) {
  if (AParent == FParent) return;
  if (AParent == this) throw EInvalidOperation(QString::fromLatin1(ControlsConsts::SControlParentSetToSelf));
  if (FParent) FParent->RemoveControl(this);
  if (AParent) AParent->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  const bool sized = AWidth != FWidth || AHeight != FHeight;
  if (!IsWindowed() && FParent && FVisible) InvalidateRect(FParent->HandleAllocated() ? FParent->Handle() : nullptr,
                                                          nullptr, TRUE);
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  if (!FAnchorMove) UpdateAnchorRules();
  BoundsChanged();
  if (!IsWindowed() && sized) Resize();
  if (FAlign != alNone) RequestAlign();
}

void TControl::BoundsChanged() {
  if (FParent && FVisible) FParent->Invalidate();
}

void TControl::RequestAlign() {
  if (FParent && !FParent->FControlState.Contains(csAligning)) FParent->Realign();
}

void TControl::UpdateAnchorRules() {
  if (!FParent) return;
  FAnchorRect = BoundsRect();
  FAnchorParentWidth = FParent->ClientWidth();
  FAnchorParentHeight = FParent->ClientHeight();
}

void TControl::ScaleForPPI(int NewPPI) {
  if (NewPPI <= 0 || FCurrentPPI <= 0 || NewPPI == FCurrentPPI) return;
  ChangeScale(NewPPI, FCurrentPPI, true);
}

void TControl::ChangeScale(int M, int D, bool isDpiChange) {
  if (M <= 0 || D <= 0) return;
  if (M != D) {
    const auto* form = dynamic_cast<const TCustomForm*>(this);
    if (form && !FParent) {
      // A window keeps its place on the screen; only its size follows.
      SetBounds(FLeft, FTop, MulDiv(FWidth, M, D), MulDiv(FHeight, M, D));
    } else {
      const int x = MulDiv(FLeft, M, D);
      const int y = MulDiv(FTop, M, D);
      SetBounds(x, y, MulDiv(FLeft + FWidth, M, D) - x, MulDiv(FTop + FHeight, M, D) - y);
    }
    // A control showing its parent's font gets the parent's scaled font.
    if (!FParentFont || !FParent) FFont->SetHeight(MulDiv(FFont->Height(), M, D));
  }
  if (isDpiChange) FCurrentPPI = MulDiv(FCurrentPPI, M, D);
}

void TControl::SetAlign(TAlign Value) {
  if (FAlign == Value) return;
  FAlign = Value;
  if (Value == alNone) UpdateAnchorRules();
  RequestAlign();
}

void TControl::SetAnchors(TAnchors Value) {
  FAnchors = Value;
  UpdateAnchorRules();
}

void TControl::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  Perform(CM_VISIBLECHANGED, Value ? 1 : 0, 0);
  if (FParent) {
    FParent->Invalidate();
    RequestAlign();
  }
}

bool TControl::Showing() const { return FVisible && FParent && FParent->Showing(); }

void TControl::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  Perform(CM_ENABLEDCHANGED, 0, 0);
  Invalidate();
}

QString TControl::Text() const {
  auto* self = const_cast<TControl*>(this);
  const LRESULT length = self->Perform(WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) return QString();
  std::vector<WCHAR> buffer(size_t(length) + 1, 0);
  const LRESULT copied = self->Perform(WM_GETTEXT, WPARAM(buffer.size()), reinterpret_cast<LPARAM>(buffer.data()));
  return QString::fromUtf16(buffer.data(), qsizetype(std::clamp<LRESULT>(copied, 0, length)));
}

void TControl::SetText(const QString& Value) {
  if (Text() == Value) return;
  Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Value.utf16()));
  Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetCursor(TCursor Value) {
  if (FCursor == Value) return;
  FCursor = Value;
  Perform(CM_CURSORCHANGED, 0, 0);
}

bool TControl::MouseCapture() const { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool Value) {
  if (MouseCapture() == Value) return;
  SetCaptureControl(Value ? this : nullptr);
}

TWinControl* TControl::PaintingWindow() const {
  if (IsWindowed()) return static_cast<TWinControl*>(const_cast<TControl*>(this));
  return FParent;
}

void TControl::Invalidate() {
  if (!FParent || !FParent->HandleAllocated()) return;
  RECT r{FLeft, FTop, FLeft + FWidth, FTop + FHeight};
  InvalidateRect(FParent->Handle(), &r, TRUE);
}

void TControl::Update() {
  if (FParent) FParent->Update();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::BringToFront() {
  if (!FParent) return;
  FParent->FControls.removeOne(this);
  FParent->FControls.append(this);
  if (auto* w = dynamic_cast<TWinControl*>(this); w && w->WidgetIfAllocated()) w->WidgetIfAllocated()->raise();
  Invalidate();
}

void TControl::SendToBack() {
  if (!FParent) return;
  FParent->FControls.removeOne(this);
  FParent->FControls.prepend(this);
  if (auto* w = dynamic_cast<TWinControl*>(this); w && w->WidgetIfAllocated()) w->WidgetIfAllocated()->lower();
  Invalidate();
}

TPoint TControl::ClientOrigin() const {
  if (IsWindowed()) {
    auto* self = static_cast<TWinControl*>(const_cast<TControl*>(this));
    if (QWidget* w = self->WidgetIfAllocated()) {
      const QPoint p = w->mapToGlobal(QPoint(self->FClientArea.Left, self->FClientArea.Top));
      return TPoint(p.x(), p.y());
    }
    if (!FParent) return TPoint(FLeft, FTop);
  }
  if (!FParent) return TPoint(FLeft, FTop);
  const TPoint o = FParent->ClientOrigin();
  return TPoint(o.X + FLeft, o.Y + FTop);
}

TPoint TControl::ClientToScreen(const TPoint& Point) const {
  const TPoint o = ClientOrigin();
  return TPoint(Point.X + o.X, Point.Y + o.Y);
}

TPoint TControl::ScreenToClient(const TPoint& Point) const {
  const TPoint o = ClientOrigin();
  return TPoint(Point.X - o.X, Point.Y - o.Y);
}

TPoint TControl::ClientToParent(const TPoint& Point, TWinControl* AParent) const {
  if (!AParent) AParent = FParent;
  TPoint p = Point;
  for (const TControl* c = this; c && c != AParent; c = c->FParent) {
    if (!c->FParent) throw EInvalidOperation(Format(ControlsConsts::SParentRequired, {c->Name()}));
    p = TPoint(p.X + c->FLeft, p.Y + c->FTop);
  }
  return p;
}

// ---------------------------------------------------------------------------
// TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
  Destroying();
  SetWindowProc(nullptr);
  // Leave the parent while this is still a windowed control, so that the
  // parent's tab list and focus records let go of it.
  if (FParent) FParent->RemoveControl(this);
  // Children parented here go with the parent, whoever owns them.
  while (!FControls.isEmpty()) {
    TControl* child = FControls.takeLast();
    child->FParent = nullptr;
    delete child;
  }
  if (TCustomForm* form = GetParentForm(this); form && form != this) form->DefocusControl(this, true);
  DestroyHandle();
}

void TWinControl::SetParent(TWinControl* AParent) {
  TControl::SetParent(AParent);
  if (FParent && FParent->HandleAllocated()) CreateHandle();
  else if (!FParent && HandleAllocated()) DestroyHandle();
}

void TWinControl::InsertControl(TControl* AControl) {
  AControl->FParent = this;
  FControls.append(AControl);
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) FTabList.append(w);
  AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
  AControl->UpdateAnchorRules();
  if (AControl->FAlign != alNone) Realign();
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
  AControl->Invalidate();
}

void TWinControl::RemoveControl(TControl* AControl) {
  if (TCustomForm* form = GetParentForm(this))
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) form->DefocusControl(w, true);
  if (AControl->Visible()) AControl->Invalidate();
  if (FMouseControl == AControl) FMouseControl = nullptr;
  if (CaptureControl == AControl) SetCaptureControl(nullptr);
  FControls.removeOne(AControl);
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    FTabList.removeOne(w);
    if (w->HandleAllocated() && !FControlState.Contains(csDestroyingHandle)) {
      AControl->FParent = nullptr;
      w->DestroyHandle();
    }
  }
  AControl->FParent = nullptr;
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
  Realign();
}

TControl* TWinControl::Controls(int Index) const {
  if (Index < 0 || Index >= FControls.size())
    throw EListError(Format(RtlConsts::SListIndexError, {Index}));
  return FControls[Index];
}

bool TWinControl::ContainsControl(const TControl* Control) const {
  for (const TControl* c = Control; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls) const {
  for (qsizetype i = FControls.size() - 1; i >= 0; --i) {
    TControl* c = FControls[i];
    if (!c->Visible() || (!AllowDisabled && !c->Enabled()) || (!AllowWinControls && c->IsWindowed())) continue;
    if (c->BoundsRect().Contains(Pos)) return c;
  }
  return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
  const QList<TControl*> children = FControls;
  for (TControl* c : children) {
    if (!FControls.contains(c)) continue;
    c->Perform(Message);
    if (Message.Result != 0) return;
  }
}

// --- handle

HWND TWinControl::Handle() {
  HandleNeeded();
  return FHandle;
}

QWidget* TWinControl::Widget() {
  HandleNeeded();
  return FWidget.data();
}

void TWinControl::HandleNeeded() {
  if (FHandle) return;
  if (FParent) FParent->HandleNeeded();
  CreateHandle();
}

void TWinControl::CreateHandle() {
  if (FHandle) return;
  FControlState.Include(csCreating);
  try {
    CreateWnd();
  } catch (...) {
    FControlState.Exclude(csCreating);
    throw;
  }
  FControlState.Exclude(csCreating);
  UpdateChildWidgets();
}

void TWinControl::UpdateChildWidgets() {
  for (TWinControl* child : QList<TWinControl*>(FTabList)) child->CreateHandle();
  // Stacking follows the list order.
  for (TControl* c : FControls)
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->FWidget) w->FWidget->raise();
}

void TWinControl::CreateParams(TCreateParams& Params) {
  Params.Caption = FText;
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (FVisible) Params.Style |= WS_VISIBLE;
  if (!FEnabled) Params.Style |= WS_DISABLED;
  if (FTabStop) Params.Style |= WS_TABSTOP;
  Params.X = FLeft;
  Params.Y = FTop;
  Params.Width = FWidth;
  Params.Height = FHeight;
  Params.WndParent = FParent && FParent->HandleAllocated() ? FParent->FHandle : nullptr;
  Params.WindowClassStyle = CS_VREDRAW | CS_HREDRAW | (FControlStyle.Contains(csDoubleClicks) ? CS_DBLCLKS : 0);
  Params.WinClassName = ClassName();
}

QWidget* TWinControl::CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) {
  auto* w = new THostWidget<QWidget>(this, ParentWidget);
  w->setFocusPolicy(Qt::NoFocus);
  w->setMouseTracking(true);
  w->setAttribute(Qt::WA_OpaquePaintEvent, FControlStyle.Contains(csOpaque));
  return w;
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if ((params.Style & WS_CHILD) && !FParent)
    throw EInvalidOperation(Format(ControlsConsts::SParentRequired, {Name()}));
  QWidget* parentWidget = FParent ? FParent->FWidget.data() : nullptr;
  QWidget* w = CreateWidget(params, parentWidget);
  FWidget = w;
  FHost = dynamic_cast<TWidgetHost*>(w);
  FHandle = AllocateWindowHandle(this, w);
  FWindowClassStyle = params.WindowClassStyle;
  FStyle = params.Style;
  FExStyle = params.ExStyle;
  ApplyCreateParams(params);
  if (TWindowScrollBars* bars = WindowScrollBars()) bars->InitFromStyle(params.Style);
  UpdateClientArea(false);
  ApplyWidgetFont();
  Perform(WM_CREATE, 0, 0);
}

void TWinControl::ApplyWidgetFont() {
  if (QWidget* w = FWidget.data()) w->setFont(Font()->QtFont());
}

void TWinControl::NotifyControls(UINT Msg) {
  for (TControl* c : QList<TControl*>(FControls)) c->Perform(Msg, 0, 0);
}

void TWinControl::ApplyCreateParams(const TCreateParams& Params) {
  QWidget* w = FWidget.data();
  // Child windows sit in the parent's client area.
  const TPoint offset = (Params.Style & WS_CHILD) && FParent ? FParent->FClientArea.TopLeft() : TPoint();
  w->setGeometry(Params.X + offset.X, Params.Y + offset.Y, Params.Width, Params.Height);
  w->setEnabled(!(Params.Style & WS_DISABLED));
  if (w->isWindow()) w->setWindowTitle(Params.Caption);
  if (Params.Style & WS_CHILD) w->setVisible((Params.Style & WS_VISIBLE) != 0);
}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  FControlState.Include(csDestroyingHandle);
  Perform(WM_DESTROY, 0, 0);
  for (TWinControl* child : QList<TWinControl*>(FTabList)) child->DestroyHandle();
  DestroyWnd();
  FControlState.Exclude(csDestroyingHandle);
}

void TWinControl::DestroyWnd() {
  const HWND h = FHandle;
  FHandle = nullptr;
  if (FocusLostBy == h) FocusLostBy = nullptr;
  if (LastClick.Wnd == h) LastClick.Valid = false;
  ReleaseWindowHandle(h);
  FScrollBars.reset();
  FClientArea = TRect();
  FHasFrame = false;
  ReleaseWidget();
  FBackBuffer = QImage();
  FMouseControl = nullptr;
}

void TWinControl::ReleaseWidget() {
  QWidget* w = FWidget.data();
  TWidgetHost* host = FHost;
  FWidget = nullptr;
  FHost = nullptr;
  if (!w) return;
  if (host) host->Control = nullptr;
  w->hide();
  if (host && host->EventDepth > 0) {
    // Inside one of its own events: it goes once the event is over.
    w->setParent(nullptr);
    w->deleteLater();
  } else {
    delete w;
  }
}

void TWinControl::RecreateWnd() {
  if (!FHandle) return;
  const bool wasFocused = Focused();
  FControlState.Include(csRecreating);
  DestroyHandle();
  try {
    CreateHandle();
  } catch (...) {
    FControlState.Exclude(csRecreating);
    throw;
  }
  FControlState.Exclude(csRecreating);
  if (wasFocused && FHandle) ::SetFocus(FHandle);
}

bool TWinControl::Showing() const { return FWidget && FWidget->isVisible(); }

void TWinControl::SetVisible(bool Value) {
  if (FVisible == Value) return;
  TControl::SetVisible(Value);
  if (!Value) {
    if (TCustomForm* form = GetParentForm(this); form && form != this) form->DefocusControl(this, false);
  }
  if (FWidget && !FWidget->isWindow()) FWidget->setVisible(Value);
}

void TWinControl::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  TControl::SetEnabled(Value);
  if (FWidget) FWidget->setEnabled(Value);
}

void TWinControl::Invalidate() {
  if (FHandle) InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
}

void TWinControl::Update() {
  if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::InvalidateWindowRect(const RECT* Rect) {
  if (!FWidget) return;
  if (Rect) {
    // Client coordinates: only the client area is touched.
    QRect r(Rect->left + FClientArea.Left, Rect->top + FClientArea.Top, Rect->right - Rect->left,
            Rect->bottom - Rect->top);
    if (FHasFrame) r &= QRect(FClientArea.Left, FClientArea.Top, FClientArea.Width(), FClientArea.Height());
    FWidget->update(r);
  } else {
    FWidget->update();
  }
}

LRESULT TWinControl::WindowMessage(UINT Msg, WPARAM wParam, LPARAM lParam) { return Perform(Msg, wParam, lParam); }

// --- geometry and alignment

void TWinControl::BoundsChanged() {
  if (FWidget) PlaceWidget();
  UpdateClientArea(false);
  const TRect client = ClientRect();
  Perform(WM_SIZE, SIZE_RESTORED, MAKELPARAM(WORD(client.Width()), WORD(client.Height())));
}

void TWinControl::Resize() { TControl::Resize(); }

void TWinControl::ChangeScale(int M, int D, bool isDpiChange) {
  if (M <= 0 || D <= 0) return;
  DisableAlign();
  try {
    for (TControl* c : QList<TControl*>(FControls)) c->ChangeScale(M, D, isDpiChange);
    TControl::ChangeScale(M, D, isDpiChange);
    // The children's anchors start again from the scaled layout, so that
    // aligning afterwards does not move them a second time.
    for (TControl* c : QList<TControl*>(FControls))
      if (c->FAlign == alNone) c->UpdateAnchorRules();
  } catch (...) {
    --FAlignLevel;
    throw;
  }
  EnableAlign();
}

void TWinControl::EnableAlign() {
  if (FAlignLevel > 0 && --FAlignLevel == 0) Realign();
}

void TWinControl::Realign() {
  if (FAlignLevel > 0 || FControlState.Contains(csAligning)) return;
  FControlState.Include(csAligning);
  try {
    TRect r = ClientRect();
    AlignControls(nullptr, r);
  } catch (...) {
    FControlState.Exclude(csAligning);
    throw;
  }
  FControlState.Exclude(csAligning);
}

void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) DoAlign(a, Rect);
  for (TControl* c : QList<TControl*>(FControls))
    if (c->FAlign == alNone) ApplyAnchors(c);
}

void TWinControl::DoAlign(TAlign AAlign, TRect& Rect) {
  std::vector<TControl*> list;
  for (TControl* c : FControls)
    if (c->FAlign == AAlign && c->FVisible) list.push_back(c);
  auto key = [AAlign](const TControl* c) {
    switch (AAlign) {
      case alTop: return c->FTop;
      case alBottom: return -(c->FTop + c->FHeight);
      case alLeft: return c->FLeft;
      case alRight: return -(c->FLeft + c->FWidth);
      default: return 0;
    }
  };
  std::stable_sort(list.begin(), list.end(), [&](const TControl* a, const TControl* b) { return key(a) < key(b); });
  for (TControl* c : list) {
    const int w = Rect.Width();
    const int h = Rect.Height();
    switch (AAlign) {
      case alTop:
        c->SetBounds(Rect.Left, Rect.Top, w, c->FHeight);
        Rect.Top += c->FHeight;
        break;
      case alBottom:
        c->SetBounds(Rect.Left, Rect.Bottom - c->FHeight, w, c->FHeight);
        Rect.Bottom -= c->FHeight;
        break;
      case alLeft:
        c->SetBounds(Rect.Left, Rect.Top, c->FWidth, h);
        Rect.Left += c->FWidth;
        break;
      case alRight:
        c->SetBounds(Rect.Right - c->FWidth, Rect.Top, c->FWidth, h);
        Rect.Right -= c->FWidth;
        break;
      case alClient: c->SetBounds(Rect.Left, Rect.Top, w, h); break;
      default: break;
    }
  }
}

void TWinControl::ApplyAnchors(TControl* Child) {
  if (Child->FAnchorParentWidth < 0) {
    Child->UpdateAnchorRules();
    return;
  }
  const int dx = ClientWidth() - Child->FAnchorParentWidth;
  const int dy = ClientHeight() - Child->FAnchorParentHeight;
  const TRect& base = Child->FAnchorRect;
  const TAnchors a = Child->FAnchors;
  int left = base.Left, width = base.Width(), top = base.Top, height = base.Height();
  if (a.Contains(akRight)) {
    if (a.Contains(akLeft)) width += dx;
    else left += dx;
  } else if (!a.Contains(akLeft)) {
    left += dx / 2;
  }
  if (a.Contains(akBottom)) {
    if (a.Contains(akTop)) height += dy;
    else top += dy;
  } else if (!a.Contains(akTop)) {
    top += dy / 2;
  }
  Child->FAnchorMove = true;
  try {
    Child->SetBounds(left, top, width, height);
  } catch (...) {
    Child->FAnchorMove = false;
    throw;
  }
  Child->FAnchorMove = false;
}

// --- focus and tab order

bool TWinControl::CanFocus() const {
  TCustomForm* form = GetParentForm(this);
  for (const TControl* c = this; c; c = c->Parent()) {
    if (!c->Visible() || !c->Enabled()) return false;
    if (c == form) return true;
  }
  return form == nullptr && FWidget && FWidget->isVisible();
}

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation(QString::fromLatin1(ControlsConsts::SCannotFocus));
  TCustomForm* form = GetParentForm(this);
  if (form && form != this) {
    form->FocusControl(this);
    return;
  }
  ::SetFocus(Handle());
}

int TWinControl::TabOrder() const { return FParent ? int(FParent->FTabList.indexOf(const_cast<TWinControl*>(this))) : -1; }

void TWinControl::SetTabOrder(int Value) {
  if (!FParent) return;
  QList<TWinControl*>& list = FParent->FTabList;
  const qsizetype from = list.indexOf(this);
  if (from < 0) return;
  const qsizetype to = std::clamp<qsizetype>(Value, 0, list.size() - 1);
  list.move(from, to);
}

void TWinControl::SetTabStop(bool Value) {
  if (FTabStop == Value) return;
  FTabStop = Value;
  Perform(CM_TABSTOPCHANGED, 0, 0);
}

void TWinControl::GetTabOrderList(QList<TWinControl*>& List) const {
  for (TWinControl* c : FTabList) {
    List.append(c);
    c->GetTabOrderList(List);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) const {
  QList<TWinControl*> list;
  GetTabOrderList(list);
  const qsizetype n = list.size();
  if (n == 0) return nullptr;
  qsizetype i = list.indexOf(CurControl);
  if (i < 0) i = GoForward ? n - 1 : 0;
  for (qsizetype step = 0; step < n; ++step) {
    i = GoForward ? (i + 1) % n : (i - 1 + n) % n;
    TWinControl* c = list[i];
    if (c == CurControl) break;
    if (c->CanFocus() && (!CheckTabStop || c->TabStop()) && (!CheckParent || c->Parent() == this)) return c;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
  if (TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop)) next->SetFocus();
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

// --- keyboard

void TWinControl::KeyDown(Word& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyPress(QChar& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::KeyUp(Word& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

bool TWinControl::DoKeyDown(TMessage& Message) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && form->DoKeyDown(Message)) return true;
  TWMKey k(Message);
  if (!FControlStyle.Contains(csNoStdEvents)) {
    Word key = k.CharCode();
    KeyDown(key, KeyDataToShiftState(k.KeyData()));
    k.SetCharCode(key);
    if (key == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyPress(TMessage& Message) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && form->DoKeyPress(Message)) return true;
  TWMKey k(Message);
  if (!FControlStyle.Contains(csNoStdEvents)) {
    QChar ch(char16_t(k.CharCode()));
    KeyPress(ch);
    k.SetCharCode(ch.unicode());
    if (ch.unicode() == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyUp(TMessage& Message) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && form->DoKeyUp(Message)) return true;
  TWMKey k(Message);
  if (!FControlStyle.Contains(csNoStdEvents)) {
    Word key = k.CharCode();
    KeyUp(key, KeyDataToShiftState(k.KeyData()));
    k.SetCharCode(key);
    if (key == 0) return true;
  }
  return false;
}

bool TWinControl::PreprocessKey(TMessage& Message) {
  // The CN_ form of the key message, which handles dialog keys.
  TMessage cn;
  cn.Msg = CN_BASE + Message.Msg;
  cn.WParam = Message.WParam;
  cn.LParam = Message.LParam;
  cn.Origin = Message.Origin;
  return Perform(cn) != 0;
}

// --- messages

void TWinControl::WndProc(TMessage& Message) {
  if (IsMouseMessage(Message.Msg)) {
    if (Message.Msg == WM_MOUSEMOVE) {
      TWMMouse m(Message);
      TControl* under = ControlAtPos(TPoint(m.XPos(), m.YPos()), false);
      UpdateMouseControl(under && !under->IsWindowed() ? under : nullptr);
    }
    if (IsControlMouseMsg(Message)) {
      // The window's default procedure still runs for a windowless child's
      // message: a right-button release asks for the context menu.
      if (Message.Msg == WM_RBUTTONUP && Message.Result == 0 && FHandle) {
        TWMMouse m(Message);
        SendContextMenu(m.XPos(), m.YPos());
      }
      return;
    }
  }
  TControl::WndProc(Message);
}

void TWinControl::UpdateMouseControl(TControl* Control) {
  if (FMouseControl == Control) return;
  TControl* old = FMouseControl;
  FMouseControl = Control;
  if (old) old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(old));
  if (Control) Control->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(Control));
}

bool TWinControl::IsControlMouseMsg(TMessage& Message) {
  TControl* target = nullptr;
  TControl* captured = GetCaptureControl();
  if (captured && captured != this) {
    if (captured->Parent() != this) return false;
    target = captured;
  } else if (captured == nullptr) {
    TWMMouse m(Message);
    target = ControlAtPos(TPoint(m.XPos(), m.YPos()), false);
  }
  if (!target || target->IsWindowed()) return false;
  TWMMouse m(Message);
  TMessage forwarded = Message;
  forwarded.LParam = PointToLParam(m.XPos() - target->Left(), m.YPos() - target->Top());
  target->Perform(forwarded);
  Message.Result = forwarded.Result;
  return true;
}

TF_MESSAGE_MAP(TWinControl, TControl) {
  return {
      TF_MESSAGE(CN_KEYDOWN, CNKeyDown),
      TF_MESSAGE(CN_SYSKEYDOWN, CNKeyDown),
      TF_MESSAGE(CN_CHAR, CNChar),
      TF_MESSAGE(CN_SYSCHAR, CNChar),
      TF_MESSAGE(WM_KEYDOWN, WMKeyDown),
      TF_MESSAGE(WM_SYSKEYDOWN, WMSysKeyDown),
      TF_MESSAGE(WM_CHAR, WMChar),
      TF_MESSAGE(WM_KEYUP, WMKeyUp),
      TF_MESSAGE(WM_SYSKEYUP, WMKeyUp),
      TF_MESSAGE(CM_CHILDKEY, CMChildKey),
      TF_MESSAGE(CM_DIALOGKEY, CMDialogKey),
      TF_MESSAGE(CM_DIALOGCHAR, CMDialogChar),
      TF_MESSAGE(WM_SETFOCUS, WMSetFocus),
      TF_MESSAGE(CM_ENTER, CMEnter),
      TF_MESSAGE(CM_EXIT, CMExit),
      TF_MESSAGE(WM_COMMAND, WMCommand),
      TF_MESSAGE(WM_NOTIFY, WMNotify),
      TF_MESSAGE(WM_HSCROLL, WMHScroll),
      TF_MESSAGE(WM_VSCROLL, WMVScroll),
      TF_MESSAGE(WM_CONTEXTMENU, WMContextMenu),
      TF_MESSAGE(WM_PAINT, WMPaint),
      TF_MESSAGE(WM_ERASEBKGND, WMEraseBkgnd),
      TF_MESSAGE(WM_SETCURSOR, WMSetCursor),
      TF_MESSAGE(WM_SIZE, WMSize),
      TF_MESSAGE(WM_SETREDRAW, WMSetRedraw),
      TF_MESSAGE(CM_FONTCHANGED, CMFontChanged),
  };
}

void TWinControl::WMSetRedraw(TMessage& Message) {
  // wParam 0 stops the window from repainting; any other value lets it
  // repaint again (and Qt repaints what was held back).
  if (QWidget* w = WidgetIfAllocated()) w->setUpdatesEnabled(Message.WParam != 0);
  Message.Result = 0;
}

void TWinControl::CNKeyDown(TMessage& Message) {
  TWMKey k(Message);
  Message.Result = 1;
  if (IsMenuKey(Message)) return;
  if (Perform(CM_CHILDKEY, k.CharCode(), reinterpret_cast<LPARAM>(this)) != 0) return;
  LRESULT mask = 0;
  switch (k.CharCode()) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN: case VK_EXECUTE: case VK_ESCAPE: case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    default: break;
  }
  if (mask != 0 && Perform(CM_WANTSPECIALKEY, k.CharCode(), 0) == 0 &&
      (Perform(WM_GETDLGCODE, 0, 0) & mask) == 0) {
    TCustomForm* form = GetParentForm(this);
    if (form && form->Perform(CM_DIALOGKEY, k.CharCode(), k.KeyData()) != 0) return;
  }
  Message.Result = 0;
}

void TWinControl::CNChar(TMessage& Message) {
  TWMKey k(Message);
  Message.Result = 1;
  if ((Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0 || Message.Msg == CN_SYSCHAR) {
    TCustomForm* form = GetParentForm(this);
    if (form && form->Perform(CM_DIALOGCHAR, k.CharCode(), k.KeyData()) != 0) return;
  }
  Message.Result = 0;
}

void TWinControl::WMKeyDown(TMessage& Message) {
  if (!DoKeyDown(Message)) DefaultHandler(Message);
}

void TWinControl::WMSysKeyDown(TMessage& Message) {
  if (DoKeyDown(Message)) return;
  // Alt+F4 closes the form, as the system menu's Close does.
  if (Message.WParam == VK_F4 && (Message.LParam & KF_ALTDOWN_BIT)) {
    if (TCustomForm* form = GetParentForm(this)) {
      form->Perform(WM_CLOSE, 0, 0);
      return;
    }
  }
  DefaultHandler(Message);
}

void TWinControl::WMChar(TMessage& Message) {
  if (!DoKeyPress(Message)) DefaultHandler(Message);
}

void TWinControl::WMKeyUp(TMessage& Message) {
  if (!DoKeyUp(Message)) DefaultHandler(Message);
}

void TWinControl::CMChildKey(TMessage& Message) {
  if (FParent) Message.Result = FParent->Perform(Message);
}

void TWinControl::CMDialogKey(TMessage& Message) { Broadcast(Message); }

void TWinControl::CMDialogChar(TMessage& Message) { Broadcast(Message); }

void TWinControl::WMSetFocus(TMessage& Message) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && !form->SetFocusedControl(this)) return;
  DefaultHandler(Message);
}

void TWinControl::CMEnter(TMessage&) { DoEnter(); }

void TWinControl::CMExit(TMessage&) { DoExit(); }

void TWinControl::WMCommand(TMessage& Message) {
  if (TWinControl* child = FindControl(reinterpret_cast<HWND>(Message.LParam)); child && child != this) {
    Message.Result = child->Perform(CN_COMMAND, Message.WParam, Message.LParam);
    return;
  }
  DefaultHandler(Message);
}

void TWinControl::WMNotify(TMessage& Message) {
  const NMHDR* hdr = reinterpret_cast<const NMHDR*>(Message.LParam);
  if (TWinControl* child = hdr ? FindControl(hdr->hwndFrom) : nullptr; child && child != this) {
    Message.Result = child->Perform(CN_NOTIFY, Message.WParam, Message.LParam);
    return;
  }
  DefaultHandler(Message);
}

void TWinControl::WMHScroll(TMessage& Message) {
  if (TWinControl* child = FindControl(reinterpret_cast<HWND>(Message.LParam)); child && child != this) {
    Message.Result = child->Perform(CN_HSCROLL, Message.WParam, Message.LParam);
    return;
  }
  DefaultHandler(Message);
}

void TWinControl::WMVScroll(TMessage& Message) {
  if (TWinControl* child = FindControl(reinterpret_cast<HWND>(Message.LParam)); child && child != this) {
    Message.Result = child->Perform(CN_VSCROLL, Message.WParam, Message.LParam);
    return;
  }
  DefaultHandler(Message);
}

void TWinControl::WMContextMenu(TMessage& Message) {
  const TPoint screen(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
  if (Message.Result == 0 && !(screen.X == -1 && screen.Y == -1)) {
    TControl* c = ControlAtPos(ScreenToClient(screen), false);
    if (c && !c->IsWindowed()) {
      Message.Result = c->Perform(WM_CONTEXTMENU, Message.WParam, Message.LParam);
      if (Message.Result != 0) return;
    }
  }
  TControl::WMContextMenu(Message);
}

void TWinControl::WMPaint(TMessage& Message) {
  if (FQtBacked) {
    DefaultHandler(Message);
    return;
  }
  PaintHandler(Message);
}

void TWinControl::WMEraseBkgnd(TMessage& Message) {
  if (FQtBacked) {
    DefaultHandler(Message);
    return;
  }
  if (!FControlStyle.Contains(csOpaque) && Message.WParam) {
    RECT r{0, 0, FWidth, FHeight};
    // The face colour of the active style.
    HBRUSH brush = CreateSolidBrush(COLORREF(StyleServices().GetSystemColor(clBtnFace)));
    FillRect(reinterpret_cast<HDC>(Message.WParam), &r, brush);
    DeleteObject(brush);
  }
  Message.Result = 1;
}

void TWinControl::WMSetCursor(TMessage& Message) {
  TWMSetCursor s(Message);
  if (s.HitTest() == HTCLIENT && s.CursorWnd() == FHandle && FWidget) {
    POINT p;
    GetCursorPos(&p);
    const TPoint local = ScreenToClient(TPoint(p.x, p.y));
    TControl* c = ControlAtPos(local, false);
    if (!c || c->IsWindowed()) c = this;
    TCursor cursor = Screen->Cursor();
    for (const TControl* x = c; cursor == crDefault && x; x = x->Parent()) cursor = x->Cursor();
    if (cursor == crDefault) cursor = crArrow;
    FAppliedCursor = cursor;
    FWidget->setCursor(Screen->CursorShape(cursor));
    Message.Result = 1;
    return;
  }
  DefaultHandler(Message);
}

void TWinControl::WMSize(TMessage& Message) {
  Realign();
  Resize();
  DefaultHandler(Message);
}

void TWinControl::CMFontChanged(TMessage& Message) {
  Inherited<TControl>(Message);
  ApplyWidgetFont();
  NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::DefaultHandler(TMessage& Message) {
  if (DefaultNonClient(Message)) return;
  switch (Message.Msg) {
    case WM_RBUTTONUP: {
      if (!(FQtBacked && ForwardToQt(Message))) TControl::DefaultHandler(Message);
      // As the default window procedure does: the release of the right
      // button asks for the context menu.
      TWMMouse m(Message);
      if (FHandle) SendContextMenu(m.XPos(), m.YPos());
      return;
    }
    case WM_CONTEXTMENU:
      // Unhandled, it goes to the parent window; a Qt-backed control's own
      // menu comes from Qt's context menu event instead.
      if (!FQtBacked && FParent && Message.Result == 0)
        Message.Result = FParent->Perform(WM_CONTEXTMENU, Message.WParam, Message.LParam);
      return;
    default: break;
  }
  if (FQtBacked && ForwardToQt(Message)) return;
  TControl::DefaultHandler(Message);
}

void TWinControl::SendContextMenu(int X, int Y) {
  const TPoint screen = ClientToScreen(TPoint(X, Y));
  Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(FHandle), PointToLParam(screen.X, screen.Y));
}

bool TWinControl::IsMenuKey(TMessage& Message) {
  for (TControl* c = this; c; c = c->Parent())
    if (TPopupMenu* menu = c->PopupMenu(); menu && menu->IsShortCut(Message)) return true;
  TCustomForm* form = GetParentForm(this);
  return form && form->IsShortCut(Message);
}

bool TWinControl::ForwardToQt(TMessage& Message) {
  TWidgetHost* host = FHost;
  if (!host) return false;
  switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      const bool down = Message.Msg == WM_KEYDOWN || Message.Msg == WM_SYSKEYDOWN;
      if (FKey && Message.Origin == FKey->Event) {
        // Character keys reach Qt with their WM_CHAR.
        if (down && !FKey->Chars.isEmpty()) return true;
        if (Message.WParam == FKey->Vk) {
          host->BaseEvent(Message.Origin);
          return true;
        }
      }
      QKeyEvent synthesized(down ? QEvent::KeyPress : QEvent::KeyRelease, QtKeyFromVirtualKey(WORD(Message.WParam)),
                            ModifiersFromKeyState());
      host->BaseEvent(&synthesized);
      return true;
    }
    case WM_CHAR:
    case WM_SYSCHAR: {
      const QChar ch(char16_t(Message.WParam));
      if (FKey && Message.Origin == FKey->Event && !FKey->Forwarded && FKey->Chars == QString(ch)) {
        FKey->Forwarded = true;
        host->BaseEvent(Message.Origin);
        return true;
      }
      if (ch.unicode() < 32 && ch.unicode() != 8 && ch.unicode() != 9 && ch.unicode() != 13 &&
          ch.unicode() != 27)
        return true;  // control codes carry no text
      int key = Qt::Key_unknown;
      switch (ch.unicode()) {
        case 8: key = Qt::Key_Backspace; break;
        case 9: key = Qt::Key_Tab; break;
        case 13: key = Qt::Key_Return; break;
        case 27: key = Qt::Key_Escape; break;
        default: break;
      }
      QKeyEvent synthesized(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_unknown ? QString(ch) : QString());
      host->BaseEvent(&synthesized);
      return true;
    }
    default:
      break;
  }
  // A Qt control that takes the focus on click does so on its button-down,
  // as a Win32 control does in its window procedure (Qt itself only does it
  // for input from the window system).
  if ((Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) && FWidget &&
      (FWidget->focusPolicy() & Qt::ClickFocus) && FWidget->isEnabled() && !Focused())
    ::SetFocus(FHandle);
  if (!FHost) return true;
  // Qt controls scroll or step on the wheel where their Win32 classes do
  // not (tabs, combo boxes, scroll bars): the wheel's default handling is
  // the class's own (memos and list boxes scroll their viewport).
  if (Message.Msg == WM_MOUSEWHEEL || Message.Msg == WM_MOUSEHWHEEL) return true;
  if (auto* origin = dynamic_cast<QMouseEvent*>(Message.Origin); origin && IsMouseMessage(Message.Msg)) {
    DeliverMouseOrigin(Message, origin, [host](QMouseEvent* e) { host->BaseEvent(e); });
    return true;
  }
  if (Message.Origin) {
    host->BaseEvent(Message.Origin);
    return true;
  }
  if (IsMouseMessage(Message.Msg) && FWidget) {
    TWMMouse m(Message);
    const QPointF local(m.XPos(), m.YPos());
    const QPointF global = FWidget->mapToGlobal(local);
    QEvent::Type type = QEvent::MouseMove;
    Qt::MouseButton button = Qt::NoButton;
    switch (Message.Msg) {
      case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: type = QEvent::MouseButtonPress; button = Qt::LeftButton; break;
      case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: type = QEvent::MouseButtonPress; button = Qt::RightButton; break;
      case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: type = QEvent::MouseButtonPress; button = Qt::MiddleButton; break;
      case WM_LBUTTONUP: type = QEvent::MouseButtonRelease; button = Qt::LeftButton; break;
      case WM_RBUTTONUP: type = QEvent::MouseButtonRelease; button = Qt::RightButton; break;
      case WM_MBUTTONUP: type = QEvent::MouseButtonRelease; button = Qt::MiddleButton; break;
      default: break;
    }
    Qt::MouseButtons buttons;
    if (m.Keys() & MK_LBUTTON) buttons |= Qt::LeftButton;
    if (m.Keys() & MK_RBUTTON) buttons |= Qt::RightButton;
    if (m.Keys() & MK_MBUTTON) buttons |= Qt::MiddleButton;
    QMouseEvent synthesized(type, local, global, button, buttons, ModifiersFromKeyState());
    host->BaseEvent(&synthesized);
    return true;
  }
  return false;
}

void TWinControl::SendParentCommand(WORD NotifyCode) {
  if (FParent && FHandle)
    FParent->Perform(WM_COMMAND, MAKEWPARAM(0, NotifyCode), reinterpret_cast<LPARAM>(FHandle));
}

LRESULT TWinControl::SendParentNotify(UINT Code) {
  if (!FParent || !FHandle) return 0;
  NMHDR hdr{FHandle, 0, Code};
  return FParent->Perform(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&hdr));
}

// --- painting

void TWinControl::PaintHandler(TMessage& Message) {
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  if (!dc) return;
  PaintWindow(dc);
  PaintControls(dc, nullptr);
}

void TWinControl::PaintWindow(HDC DC) {}

void TWinControl::PaintControls(HDC DC, TControl* First) {
  qsizetype start = First ? FControls.indexOf(First) : 0;
  if (start < 0) start = 0;
  for (qsizetype i = start; i < FControls.size(); ++i) {
    TControl* c = FControls[i];
    if (c->IsWindowed() || !c->Visible() || c->Width() <= 0 || c->Height() <= 0) continue;
    const int saved = SaveDC(DC);
    OffsetViewportOrgEx(DC, c->Left(), c->Top(), nullptr);
    IntersectClipRect(DC, 0, 0, c->Width(), c->Height());
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    RestoreDC(DC, saved);
  }
}

void TWinControl::HostPaint(QEvent* Event) {
  QWidget* w = FWidget.data();
  if (!w || w->width() <= 0 || w->height() <= 0) return;
  if (FBackBuffer.size() != w->size()) {
    FBackBuffer = QImage(w->size(), QImage::Format_ARGB32_Premultiplied);
    FBackBuffer.fill(Qt::transparent);
  }
  const QRect area = static_cast<QPaintEvent*>(Event)->rect() & w->rect();
  if (area.isEmpty()) return;
  HDC dc = CreateImageDC(&FBackBuffer, Screen->PixelsPerInch());
  IntersectClipRect(dc, area.left(), area.top(), area.left() + area.width(), area.top() + area.height());
  if (FHasFrame && FHandle) {
    // The border and the scroll bars, then the client area from its corner.
    const int saved = SaveDC(dc);
    TMessage nc;
    nc.Msg = WM_NCPAINT;
    nc.WParam = reinterpret_cast<WPARAM>(dc);
    nc.Origin = Event;
    Perform(nc);
    RestoreDC(dc, saved);
    SetViewportOrgEx(dc, FClientArea.Left, FClientArea.Top, nullptr);
    IntersectClipRect(dc, 0, 0, FClientArea.Width(), FClientArea.Height());
  }
  TMessage erase;
  erase.Msg = WM_ERASEBKGND;
  erase.WParam = reinterpret_cast<WPARAM>(dc);
  erase.Origin = Event;
  Perform(erase);
  if (FHandle) {
    TMessage paint;
    paint.Msg = WM_PAINT;
    paint.WParam = reinterpret_cast<WPARAM>(dc);
    paint.Origin = Event;
    Perform(paint);
  }
  DeleteDC(dc);
  if (FWidget) {
    QPainter painter(w);
    painter.drawImage(area, FBackBuffer, area);
  }
}

// --- hints

namespace {

THintShower& HintShower() {
  static THintShower shower = [](const THintInfo& AInfo) {
    if (AInfo.HintStr.isEmpty()) {
      QToolTip::hideText();
      return;
    }
    QWidget* widget = nullptr;
    if (auto* w = dynamic_cast<TWinControl*>(AInfo.HintControl)) widget = w->WidgetIfAllocated();
    QToolTip::showText(QPoint(AInfo.HintPos.X, AInfo.HintPos.Y), AInfo.HintStr, widget, QRect(), AInfo.HideTimeout);
  };
  return shower;
}

}  // namespace

THintShower SetHintShower(THintShower AShower) {
  THintShower previous = std::move(HintShower());
  HintShower() = std::move(AShower);
  return previous;
}

// Before a hint shows, the control gets CM_HINTSHOW with the hint's
// information, which it may change or veto.
static void ShowControlHint(TWinControl* AControl, const QPoint& AClientPos) {
  THintInfo info;
  if (!AControl->ShowHint() || (Application && !Application->ShowHint())) {
    HintShower()(info);
    return;
  }
  info.HintControl = AControl;
  info.CursorPos = TPoint(AClientPos.x(), AClientPos.y());
  info.CursorRect = TRect(0, 0, AControl->Width(), AControl->Height());
  const TPoint screen = AControl->ClientToScreen(info.CursorPos);
  info.HintPos = TPoint(screen.X, screen.Y + 20);
  info.HideTimeout = Application ? Application->HintHidePause() : 2500;
  info.HintStr = AControl->Hint();
  const LRESULT veto = AControl->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
  if (veto != 0) info.HintStr.clear();
  HintShower()(info);
}

// --- input translation

bool TWinControl::HostEvent(QEvent* Event) {
  TWidgetHost* host = FHost;
  if (!host) return true;
  switch (Event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      TranslateKey(static_cast<QKeyEvent*>(Event));
      return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
      if (!TakesMouseInput(Event)) return false;
      // Qt gives the second press of a double click as a double-click event
      // instead of a press: it is a press here, and whether it is a double
      // click is the framework's own decision.
      TranslateMouse(static_cast<QMouseEvent*>(Event));
      return true;
    case QEvent::ContextMenu:
      // Context menus follow WM_CONTEXTMENU; Qt's event only opens the
      // standard menu of a Qt-backed control that has no pop-up menu.
      if (FQtBacked && !PopupMenu()) return host->BaseEvent(Event);
      Event->accept();
      return true;
    case QEvent::ToolTip:
      ShowControlHint(this, static_cast<QHelpEvent*>(Event)->pos());
      Event->accept();
      return true;
    case QEvent::Wheel:
      if (!TakesMouseInput(Event)) return false;
      TranslateWheel(static_cast<QWheelEvent*>(Event));
      return true;
    case QEvent::FocusIn: {
      const HWND other = FocusLostBy != FHandle && IsWindow(FocusLostBy) ? FocusLostBy : nullptr;
      FocusLostBy = nullptr;
      TMessage m;
      m.Msg = WM_SETFOCUS;
      m.WParam = reinterpret_cast<WPARAM>(other);
      m.Origin = Event;
      Perform(m);
      return true;
    }
    case QEvent::FocusOut: {
      HWND other = WindowFromWidget(QApplication::focusWidget());
      if (other == FHandle) other = nullptr;
      FocusLostBy = FHandle;
      TMessage m;
      m.Msg = WM_KILLFOCUS;
      m.WParam = reinterpret_cast<WPARAM>(other);
      m.Origin = Event;
      Perform(m);
      return true;
    }
    case QEvent::Enter: {
      TMessage m;
      m.Msg = CM_MOUSEENTER;
      m.Origin = Event;
      Perform(m);
      return true;
    }
    case QEvent::Leave: {
      UpdateMouseControl(nullptr);
      TMessage m;
      m.Msg = CM_MOUSELEAVE;
      m.Origin = Event;
      Perform(m);
      return true;
    }
    case QEvent::Paint:
      if (FQtBacked) {
        TMessage m;
        m.Msg = WM_PAINT;
        m.Origin = Event;
        Perform(m);
        return true;
      }
      HostPaint(Event);
      return true;
    case QEvent::Resize: {
      QWidget* w = FWidget.data();
      if (w && w->isWindow() && (w->width() != FWidth || w->height() != FHeight)) {
        FWidth = w->width();
        FHeight = w->height();
        UpdateClientArea(false);
        WPARAM kind = w->isMaximized() ? SIZE_MAXIMIZED : w->isMinimized() ? SIZE_MINIMIZED : SIZE_RESTORED;
        const TRect client = ClientRect();
        Perform(WM_SIZE, kind, MAKELPARAM(WORD(client.Width()), WORD(client.Height())));
      }
      return FQtBacked ? host->BaseEvent(Event) : true;
    }
    case QEvent::Move: {
      QWidget* w = FWidget.data();
      if (w && w->isWindow() && (w->geometry().x() != FLeft || w->geometry().y() != FTop)) {
        FLeft = w->geometry().x();
        FTop = w->geometry().y();
        Perform(WM_MOVE, 0, PointToLParam(FLeft, FTop));
      }
      return FQtBacked ? host->BaseEvent(Event) : true;
    }
    default: return host->BaseEvent(Event);
  }
}

bool TWinControl::TakesMouseInput(QEvent* Event) {
  // A disabled window takes no mouse input: as in Win32 it goes to the
  // window under it, here the parent, to which Qt passes an ignored event.
  if (FWidget && FWidget->isEnabled()) return true;
  Event->ignore();
  return false;
}

void TWinControl::TranslateKey(QKeyEvent* Event) {
  ProcessPostedMessages();
  if (!FHandle) return;
  const bool press = Event->type() == QEvent::KeyPress;
  if (!press && Event->isAutoRepeat()) return;  // Qt pairs each repeat with a release
  const WORD vk = VirtualKeyFromQt(Event->key(), Event->modifiers(), Event->text());
  if (vk == 0) return;
  const bool altBefore = GetKeyState(VK_MENU) < 0;
  SyncModifiers(Event->modifiers());
  SetInputKeyState(vk, press);
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool alt = press ? GetKeyState(VK_MENU) < 0 : (altBefore || vk == VK_MENU);
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  // Alt released right after its own press is a system key; after another
  // key it is a plain key-up.
  const bool altAlone = AltPressedAlone;
  if (press) AltPressedAlone = vk == VK_MENU;
  const TScan scan = ScanCodeOf(vk, Event->modifiers().testFlag(Qt::KeypadModifier));
  LPARAM keyData = 1 | (LPARAM(scan.Code) << 16);
  if (scan.Extended) keyData |= KF_EXTENDED_BIT;
  if (alt) keyData |= KF_ALTDOWN_BIT;
  if (press && Event->isAutoRepeat()) keyData |= KF_REPEAT_BIT;
  if (!press) keyData |= KF_REPEAT_BIT | KF_UP_BIT;
  const bool sys = vk == VK_MENU && !press ? altAlone && !ctrl : (alt && !ctrl) || vk == VK_F10;
  const UINT msg = press ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
  QString chars;
  if (press) {
    QString text = Event->text();
    // Shifted digits of a plain key event without text still type their sign.
    if (text.isEmpty() && shift && !ShiftedUs(vk).isNull()) text = ShiftedUs(vk);
    chars = Win32Chars(vk, text, shift, ctrl, alt);
  }
  SendKeyMessages(Event, msg, vk, keyData, chars);
}

void TWinControl::SendKeyMessages(QKeyEvent* Event, UINT Msg, WORD Vk, LPARAM KeyData, const QString& Chars) {
  TKeyTranslation translation{Event, Vk, Chars, false};
  TKeyTranslation* outer = FKey;
  FKey = &translation;
  const HWND self = FHandle;
  struct TRestore {
    TWinControl* Control;
    HWND Handle;
    TKeyTranslation* Outer;
    ~TRestore() {
      if (IsWindow(Handle)) Control->FKey = Outer;
    }
  } restore{this, self, outer};

  TMessage key;
  key.Msg = Msg;
  key.WParam = Vk;
  key.LParam = KeyData;
  key.Origin = Event;
  if (PreprocessKey(key)) return;
  if (!IsWindow(self)) return;
  Perform(key);
  const bool sys = Msg == WM_SYSKEYDOWN;
  for (QChar ch : Chars) {
    if (!IsWindow(self)) return;
    TMessage c;
    c.Msg = sys ? WM_SYSCHAR : WM_CHAR;
    c.WParam = ch.unicode();
    c.LParam = KeyData;
    c.Origin = Event;
    if (PreprocessKey(c)) continue;
    if (!IsWindow(self)) return;
    Perform(c);
  }
}

void TWinControl::TranslateMouse(QMouseEvent* Event) {
  ProcessPostedMessages();
  if (!FHandle || !FWidget) return;
  const QPointF global = Event->globalPosition();
  const POINT screen{int(std::floor(global.x())), int(std::floor(global.y()))};
  SetInputCursorPos(screen);
  SyncModifiers(Event->modifiers());

  TWinControl* target = this;
  const HWND capture = GetCapture();
  if (capture && capture != FHandle)
    if (TWinControl* c = FindControl(capture); c && c->FWidget) target = c;
  const QPoint widgetPos = target == this ? Event->position().toPoint()
                                          : target->FWidget->mapFromGlobal(QPoint(screen.x, screen.y));
  const QPoint local = widgetPos - QPoint(target->FClientArea.Left, target->FClientArea.Top);

  WORD vk = 0;
  UINT down = 0, up = 0, dbl = 0;
  WORD xbutton = 0;
  switch (Event->button()) {
    case Qt::LeftButton: vk = VK_LBUTTON; down = WM_LBUTTONDOWN; up = WM_LBUTTONUP; dbl = WM_LBUTTONDBLCLK; break;
    case Qt::RightButton: vk = VK_RBUTTON; down = WM_RBUTTONDOWN; up = WM_RBUTTONUP; dbl = WM_RBUTTONDBLCLK; break;
    case Qt::MiddleButton: vk = VK_MBUTTON; down = WM_MBUTTONDOWN; up = WM_MBUTTONUP; dbl = WM_MBUTTONDBLCLK; break;
    case Qt::BackButton: vk = VK_XBUTTON1; down = WM_XBUTTONDOWN; up = WM_XBUTTONUP; dbl = WM_XBUTTONDBLCLK; xbutton = 1; break;
    case Qt::ForwardButton: vk = VK_XBUTTON2; down = WM_XBUTTONDOWN; up = WM_XBUTTONUP; dbl = WM_XBUTTONDBLCLK; xbutton = 2; break;
    default: break;
  }
  UINT msg = WM_MOUSEMOVE;
  const HWND h = target->FHandle;
  const bool press = Event->type() == QEvent::MouseButtonPress || Event->type() == QEvent::MouseButtonDblClick;
  if (press && vk) {
    SetInputKeyState(vk, true);
    const uint64_t now = TScheduler::Instance().Now();
    const int dx = GetSystemMetrics(SM_CXDOUBLECLK) / 2;
    const int dy = GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    const bool isDouble = LastClick.Valid && LastClick.Wnd == h && LastClick.Msg == down &&
                          now - LastClick.Time <= GetDoubleClickTime() &&
                          std::abs(local.x() - LastClick.Pos.x()) <= dx &&
                          std::abs(local.y() - LastClick.Pos.y()) <= dy && (target->FWindowClassStyle & CS_DBLCLKS);
    if (isDouble) {
      msg = dbl;
      LastClick.Valid = false;  // a third click starts again
    } else {
      msg = down;
      LastClick = TLastClick{h, down, now, local, true};
    }
  } else if (Event->type() == QEvent::MouseButtonRelease && vk) {
    SetInputKeyState(vk, false);
    msg = up;
  } else if (Event->type() != QEvent::MouseMove) {
    return;
  }
  if (target->NonClientMouse(target == this ? Event : nullptr, msg, widgetPos, screen, capture != nullptr)) return;
  if (msg != up && !capture) {
    SendMessage(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, WORD(msg)));
    if (!IsWindow(h)) return;
  }
  TMessage m;
  m.Msg = msg;
  m.WParam = CurrentMouseKeys() | (xbutton ? MAKEWPARAM(0, xbutton) : 0);
  m.LParam = PointToLParam(local.x(), local.y());
  m.Origin = target == this ? Event : nullptr;
  target->Perform(m);
}

void TWinControl::TranslateWheel(QWheelEvent* Event) {
  ProcessPostedMessages();
  if (!FHandle) return;
  SyncModifiers(Event->modifiers());
  const QPointF global = Event->globalPosition();
  const POINT screen{int(std::floor(global.x())), int(std::floor(global.y()))};
  SetInputCursorPos(screen);
  const HWND self = FHandle;
  auto send = [&](UINT msg, int& accumulator, int delta) {
    accumulator += delta;
    // High-resolution wheels deliver parts of a notch: whole notches only.
    const int whole = accumulator / WHEEL_DELTA * WHEEL_DELTA;
    if (whole == 0) return;
    accumulator -= whole;
    TMessage m;
    m.Msg = msg;
    m.WParam = MAKEWPARAM(WORD(CurrentMouseKeys()), WORD(SHORT(std::clamp(whole, -32768, 32767))));
    m.LParam = PointToLParam(screen.x, screen.y);
    m.Origin = Event;
    Perform(m);
  };
  const QPoint angle = Event->angleDelta();
  if (angle.y() != 0) send(WM_MOUSEWHEEL, FWheelAccumulator, angle.y());
  if (angle.x() != 0 && IsWindow(self)) send(WM_MOUSEHWHEEL, FHWheelAccumulator, -angle.x());
}

// ---------------------------------------------------------------------------
// TControlCanvas

namespace {
// Runs Paint with the canvas on the paint DC.
template <class F>
void PaintWithCanvas(TControlCanvas* Canvas, HDC DC, HDC& PaintDC, F&& Paint) {
  Canvas->Lock();
  Canvas->FreeHandle();
  Canvas->SetHandle(DC);
  PaintDC = DC;
  struct TDone {
    TControlCanvas* Canvas;
    HDC& PaintDC;
    ~TDone() {
      PaintDC = nullptr;
      Canvas->SetHandle(nullptr);
      Canvas->Unlock();
    }
  } done{Canvas, PaintDC};
  Paint();
}
}  // namespace

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* Value) {
  if (FControl == Value) return;
  FreeHandle();
  FControl = Value;
}

void TControlCanvas::FreeHandle() {
  if (!FOwnDC) return;
  HDC dc = FOwnDC;
  FOwnDC = nullptr;
  SetHandle(nullptr);
  DeleteDC(dc);
}

void TControlCanvas::CreateHandle() {
  TWinControl* window = FControl ? FControl->PaintingWindow() : nullptr;
  QWidget* w = window ? window->WidgetIfAllocated() : nullptr;
  if (!w || w->width() <= 0 || w->height() <= 0) {
    TCanvas::CreateHandle();
    return;
  }
  QImage& buffer = window->FBackBuffer;
  if (buffer.size() != w->size()) {
    buffer = QImage(w->size(), QImage::Format_ARGB32_Premultiplied);
    buffer.fill(Qt::transparent);
  }
  HDC dc = CreateImageDC(&buffer, Screen->PixelsPerInch());
  const TRect client = window->ClientArea();
  if (FControl != window) {
    const TPoint origin = FControl->ClientToParent(TPoint(0, 0), window);
    SetViewportOrgEx(dc, origin.X + client.Left, origin.Y + client.Top, nullptr);
    IntersectClipRect(dc, 0, 0, FControl->Width(), FControl->Height());
  } else if (window->HasFrame()) {
    SetViewportOrgEx(dc, client.Left, client.Top, nullptr);
    IntersectClipRect(dc, 0, 0, client.Width(), client.Height());
  }
  FOwnDC = dc;
  SetHandle(dc);
}

// ---------------------------------------------------------------------------
// TCustomControl and TGraphicControl

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>()) {
  FControlStyle.Include(csAcceptsControls);
  FCanvas->SetControl(this);
}

TCustomControl::~TCustomControl() { FCanvas->SetControl(nullptr); }

void TCustomControl::PaintWindow(HDC DC) { PaintWithCanvas(FCanvas.get(), DC, FPaintDC, [this] { Paint(); }); }

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), FCanvas(std::make_unique<TControlCanvas>()) {
  FCanvas->SetControl(this);
}

TGraphicControl::~TGraphicControl() { FCanvas->SetControl(nullptr); }

TF_MESSAGE_MAP(TGraphicControl, TControl) {
  return {
      TF_MESSAGE(WM_PAINT, WMPaint),
  };
}

void TGraphicControl::WMPaint(TMessage& Message) {
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  if (dc) PaintWithCanvas(FCanvas.get(), dc, FPaintDC, [this] { Paint(); });
}
