// Window handles, the posted-message queue, registered messages, timers,
// input state, focus, capture, coordinates and the desktop seams.

#include "platform/win32/WinUser.h"

#include <QApplication>
#include <QCursor>
#include <QHash>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <array>
#include <deque>
#include <map>
#include <mutex>
#include <vector>

#include "platform/rtl/SysUtils.h"
#include "platform/win32/Scheduler.h"

namespace {

constexpr const char* kHandleProperty = "tfHwnd";
constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;

// --- handle table -----------------------------------------------------------

struct TSlot {
  TWindowObject* Window = nullptr;
  QPointer<QWidget> Widget;
  uint32_t Generation = 0;
};

struct TWindowState {
  std::recursive_mutex Lock;
  std::vector<TSlot> Slots;
  std::vector<uint32_t> Free;
  int Live = 0;

  std::deque<MSG> Queue;
  bool WakePending = false;
  std::function<void(const MSG&)> ThreadHook;

  QHash<QString, UINT> Registered;
  UINT NextRegistered = MAXREGISTEREDMESSAGE_FIRST;

  std::function<void(HWND, const RECT*)> InvalidateHook;

  // Window timers: (window, id) -> scheduler timer.
  std::map<std::pair<uintptr_t, UINT_PTR>, TScheduler::TTimerId> Timers;
  UINT_PTR NextThreadTimer = 0x7FF0;

  std::array<uint8_t, 256> KeyDown{};
  std::array<uint8_t, 256> KeyToggled{};
  POINT CursorPos{0, 0};
  bool CursorKnown = false;
  HWND Capture = nullptr;
};

TWindowState& State() {
  static TWindowState state;
  return state;
}

HWND EncodeHandle(uint32_t index, uint32_t generation) {
  const uint64_t value = (uint64_t(generation) << 32) | uint64_t(index + 1);
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
}

// Slot index of a live handle, or -1.
int SlotOf(HWND hWnd) {
  const uint64_t value = reinterpret_cast<uintptr_t>(hWnd);
  if (value == 0) return -1;
  const uint64_t index = (value & 0xFFFFFFFFu);
  const uint32_t generation = uint32_t(value >> 32);
  TWindowState& s = State();
  if (index == 0 || index > s.Slots.size()) return -1;
  const TSlot& slot = s.Slots[index - 1];
  if (slot.Window == nullptr || slot.Generation != generation) return -1;
  return int(index - 1);
}

QWidget* WidgetOf(HWND hWnd) {
  TWindowState& s = State();
  std::lock_guard lock(s.Lock);
  const int i = SlotOf(hWnd);
  return i < 0 ? nullptr : s.Slots[i].Widget.data();
}

void WakeQueue() {
  // Called with the lock held.
  TWindowState& s = State();
  if (s.WakePending || s.Queue.empty()) return;
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return;
  s.WakePending = true;
  QMetaObject::invokeMethod(
      app,
      [] {
        {
          std::lock_guard lock(State().Lock);
          State().WakePending = false;
        }
        ProcessPostedMessages();
      },
      Qt::QueuedConnection);
}

void Deliver(const MSG& msg) {
  if (msg.hwnd == nullptr) {
    std::function<void(const MSG&)> hook;
    {
      std::lock_guard lock(State().Lock);
      hook = State().ThreadHook;
    }
    if (hook) CallGuarded([&] { hook(msg); });
    return;
  }
  TWindowObject* window = FindWindowObject(msg.hwnd);
  if (!window) return;  // destroyed since it was posted
  CallGuarded([&] { window->WindowMessage(msg.message, msg.wParam, msg.lParam); });
}

}  // namespace

// --- windows ----------------------------------------------------------------

HWND AllocateWindowHandle(TWindowObject* Window, QWidget* Widget) {
  TWindowState& s = State();
  std::lock_guard lock(s.Lock);
  uint32_t index;
  if (!s.Free.empty()) {
    index = s.Free.back();
    s.Free.pop_back();
  } else {
    index = uint32_t(s.Slots.size());
    s.Slots.emplace_back();
  }
  TSlot& slot = s.Slots[index];
  slot.Window = Window;
  slot.Widget = Widget;
  slot.Generation += 1;
  ++s.Live;
  HWND h = EncodeHandle(index, slot.Generation);
  if (Widget) Widget->setProperty(kHandleProperty, QVariant::fromValue(quint64(reinterpret_cast<uintptr_t>(h))));
  return h;
}

void ReleaseWindowHandle(HWND hWnd) {
  TWindowState& s = State();
  std::vector<TScheduler::TTimerId> timers;
  {
    std::lock_guard lock(s.Lock);
    const int i = SlotOf(hWnd);
    if (i < 0) return;
    TSlot& slot = s.Slots[i];
    if (slot.Widget) slot.Widget->setProperty(kHandleProperty, QVariant());
    slot.Window = nullptr;
    slot.Widget = nullptr;
    s.Free.push_back(uint32_t(i));
    --s.Live;
    const uintptr_t key = reinterpret_cast<uintptr_t>(hWnd);
    for (auto it = s.Timers.begin(); it != s.Timers.end();) {
      if (it->first.first == key) {
        timers.push_back(it->second);
        it = s.Timers.erase(it);
      } else {
        ++it;
      }
    }
    if (s.Capture == hWnd) s.Capture = nullptr;
  }
  for (auto id : timers) TScheduler::Instance().Stop(id);
}

TWindowObject* FindWindowObject(HWND hWnd) {
  TWindowState& s = State();
  std::lock_guard lock(s.Lock);
  const int i = SlotOf(hWnd);
  return i < 0 ? nullptr : s.Slots[i].Window;
}

HWND WindowFromWidget(const QWidget* Widget) {
  for (const QWidget* w = Widget; w; w = w->parentWidget()) {
    const QVariant v = w->property(kHandleProperty);
    if (v.isValid()) {
      HWND h = reinterpret_cast<HWND>(static_cast<uintptr_t>(v.value<quint64>()));
      if (IsWindow(h)) return h;
    }
  }
  return nullptr;
}

int WindowHandleCount() {
  std::lock_guard lock(State().Lock);
  return State().Live;
}

BOOL IsWindow(HWND hWnd) { return FindWindowObject(hWnd) != nullptr; }

BOOL IsWindowVisible(HWND hWnd) {
  QWidget* w = WidgetOf(hWnd);
  return w && w->isVisible();
}

BOOL IsWindowEnabled(HWND hWnd) {
  QWidget* w = WidgetOf(hWnd);
  return w && w->isEnabled();
}

BOOL EnableWindow(HWND hWnd, BOOL bEnable) {
  QWidget* w = WidgetOf(hWnd);
  if (!w) return FALSE;
  const bool wasDisabled = !w->isEnabled();
  if (wasDisabled == !bEnable) return wasDisabled;
  w->setEnabled(bEnable != FALSE);
  SendMessage(hWnd, WM_ENABLE, bEnable ? 1 : 0, 0);
  return wasDisabled;
}

BOOL DestroyWindow(HWND hWnd) {
  TWindowObject* window = FindWindowObject(hWnd);
  if (!window) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  window->DestroyWindowObject();
  return TRUE;
}

HWND GetParent(HWND hWnd) {
  QWidget* w = WidgetOf(hWnd);
  return w && w->parentWidget() ? WindowFromWidget(w->parentWidget()) : nullptr;
}

BOOL IsChild(HWND hWndParent, HWND hWnd) {
  if (!IsWindow(hWndParent)) return FALSE;
  for (HWND h = GetParent(hWnd); h; h = GetParent(h))
    if (h == hWndParent) return TRUE;
  return FALSE;
}

// --- messages ----------------------------------------------------------------

LRESULT SendMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  TWindowObject* window = FindWindowObject(hWnd);
  if (!window) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return window->WindowMessage(Msg, wParam, lParam);
}

BOOL PostMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  TWindowState& s = State();
  std::lock_guard lock(s.Lock);
  if (hWnd != nullptr && SlotOf(hWnd) < 0) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  MSG msg{hWnd, Msg, wParam, lParam, DWORD(::GetTickCount()), s.CursorPos};
  s.Queue.push_back(msg);
  WakeQueue();
  return TRUE;
}

BOOL PostThreadMessage(UINT Msg, WPARAM wParam, LPARAM lParam) { return PostMessage(nullptr, Msg, wParam, lParam); }

BOOL PeekMessage(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
  TWindowState& s = State();
  std::lock_guard lock(s.Lock);
  const bool anyId = wMsgFilterMin == 0 && wMsgFilterMax == 0;
  for (auto it = s.Queue.begin(); it != s.Queue.end();) {
    if (it->hwnd != nullptr && SlotOf(it->hwnd) < 0) {
      it = s.Queue.erase(it);  // for a destroyed window: dropped
      continue;
    }
    const bool windowMatches = hWnd == nullptr || it->hwnd == hWnd;
    const bool idMatches = anyId || (it->message >= wMsgFilterMin && it->message <= wMsgFilterMax);
    if (windowMatches && idMatches) {
      if (lpMsg) *lpMsg = *it;
      if (wRemoveMsg & PM_REMOVE) s.Queue.erase(it);
      return TRUE;
    }
    ++it;
  }
  return FALSE;
}

LRESULT DispatchMessage(const MSG* lpMsg) {
  if (!lpMsg) return 0;
  LRESULT result = 0;
  if (lpMsg->hwnd == nullptr) {
    Deliver(*lpMsg);
    return 0;
  }
  TWindowObject* window = FindWindowObject(lpMsg->hwnd);
  if (!window) return 0;
  CallGuarded([&] { result = window->WindowMessage(lpMsg->message, lpMsg->wParam, lpMsg->lParam); });
  return result;
}

int ProcessPostedMessages() {
  // A bound on one round keeps a message that reposts itself from starving
  // the event loop; what is left is delivered on the next wake-up.
  constexpr int kRoundLimit = 10000;
  int delivered = 0;
  for (; delivered < kRoundLimit; ++delivered) {
    MSG msg;
    {
      TWindowState& s = State();
      std::lock_guard lock(s.Lock);
      if (s.Queue.empty()) break;
      msg = s.Queue.front();
      s.Queue.pop_front();
    }
    Deliver(msg);
  }
  std::lock_guard lock(State().Lock);
  WakeQueue();
  return delivered;
}

int PostedMessageCount() {
  std::lock_guard lock(State().Lock);
  return int(State().Queue.size());
}

void SetThreadMessageHook(std::function<void(const MSG&)> Hook) {
  std::lock_guard lock(State().Lock);
  State().ThreadHook = std::move(Hook);
}

UINT RegisterWindowMessage(const QString& Name) {
  if (Name.isEmpty()) return 0;
  TWindowState& s = State();
  std::lock_guard lock(s.Lock);
  const QString key = Name.toCaseFolded();
  auto it = s.Registered.constFind(key);
  if (it != s.Registered.constEnd()) return it.value();
  if (s.NextRegistered > MAXREGISTEREDMESSAGE_LAST) return 0;
  const UINT id = s.NextRegistered++;
  s.Registered.insert(key, id);
  return id;
}

UINT RegisterWindowMessage(LPCWSTR lpString) {
  return lpString ? RegisterWindowMessage(QString::fromUtf16(lpString)) : 0;
}

// --- guarded calls ------------------------------------------------------------

void CallGuarded(const std::function<void()>& Work) {
  try {
    Work();
  } catch (...) {
    ApplicationHandleException(std::current_exception());
  }
}

void SetExceptionHandler(std::function<void(std::exception_ptr)> Handler) {
  SetApplicationHandleException(std::move(Handler));
}

// --- timers ---------------------------------------------------------------------

UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
  const UINT elapse = std::clamp(uElapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
  TWindowState& s = State();
  TScheduler& scheduler = TScheduler::Instance();
  std::unique_lock lock(s.Lock);
  if (hWnd != nullptr && SlotOf(hWnd) < 0) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  const UINT_PTR id = hWnd ? nIDEvent : ++s.NextThreadTimer;
  const auto key = std::make_pair(reinterpret_cast<uintptr_t>(hWnd), id);
  auto existing = s.Timers.find(key);
  if (existing != s.Timers.end()) {
    const TScheduler::TTimerId old = existing->second;
    s.Timers.erase(existing);
    lock.unlock();
    scheduler.Stop(old);
    lock.lock();
  }
  lock.unlock();
  const TScheduler::TTimerId timer = scheduler.Start(elapse, [hWnd, id, lpTimerFunc] {
    if (hWnd != nullptr && !IsWindow(hWnd)) return;
    if (lpTimerFunc)
      lpTimerFunc(hWnd, WM_TIMER, id, DWORD(::GetTickCount()));
    else
      SendMessage(hWnd, WM_TIMER, id, 0);
  });
  lock.lock();
  s.Timers[key] = timer;
  return id;
}

BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
  TWindowState& s = State();
  TScheduler::TTimerId timer;
  {
    std::lock_guard lock(s.Lock);
    auto it = s.Timers.find(std::make_pair(reinterpret_cast<uintptr_t>(hWnd), uIDEvent));
    if (it == s.Timers.end()) return FALSE;
    timer = it->second;
    s.Timers.erase(it);
  }
  TScheduler::Instance().Stop(timer);
  return TRUE;
}

UINT GetDoubleClickTime() { return 500; }

// --- input state --------------------------------------------------------------------

SHORT GetKeyState(int nVirtKey) {
  if (nVirtKey < 0 || nVirtKey > 255) return 0;
  TWindowState& s = State();
  std::lock_guard lock(s.Lock);
  return SHORT((s.KeyDown[nVirtKey] ? 0x8000 : 0) | (s.KeyToggled[nVirtKey] ? 1 : 0));
}

SHORT GetAsyncKeyState(int vKey) {
  const SHORT state = GetKeyState(vKey);
  return SHORT(state & 0x8000);
}

void SetInputKeyState(int nVirtKey, bool Down) {
  if (nVirtKey <= 0 || nVirtKey > 255) return;
  TWindowState& s = State();
  std::lock_guard lock(s.Lock);
  auto set = [&](int vk, bool down) {
    if (down && !s.KeyDown[vk]) s.KeyToggled[vk] ^= 1;
    s.KeyDown[vk] = down;
  };
  switch (nVirtKey) {
    case VK_SHIFT:
      if (Down) { if (!s.KeyDown[VK_RSHIFT]) set(VK_LSHIFT, true); }
      else { set(VK_LSHIFT, false); set(VK_RSHIFT, false); }
      break;
    case VK_CONTROL:
      if (Down) { if (!s.KeyDown[VK_RCONTROL]) set(VK_LCONTROL, true); }
      else { set(VK_LCONTROL, false); set(VK_RCONTROL, false); }
      break;
    case VK_MENU:
      if (Down) { if (!s.KeyDown[VK_RMENU]) set(VK_LMENU, true); }
      else { set(VK_LMENU, false); set(VK_RMENU, false); }
      break;
    default:
      set(nVirtKey, Down);
      break;
  }
  for (int generic : {VK_SHIFT, VK_CONTROL, VK_MENU}) {
    const int left = generic == VK_SHIFT ? VK_LSHIFT : generic == VK_CONTROL ? VK_LCONTROL : VK_LMENU;
    set(generic, s.KeyDown[left] || s.KeyDown[left + 1]);
  }
}

void ResetInputKeyState() {
  TWindowState& s = State();
  std::lock_guard lock(s.Lock);
  s.KeyDown.fill(0);
}

BOOL GetCursorPos(LPPOINT lpPoint) {
  if (!lpPoint) return FALSE;
  TWindowState& s = State();
  std::lock_guard lock(s.Lock);
  if (!s.CursorKnown) {
    const QPoint p = QCursor::pos();
    s.CursorPos = POINT{p.x(), p.y()};
  }
  *lpPoint = s.CursorPos;
  return TRUE;
}

BOOL SetCursorPos(int X, int Y) {
  SetInputCursorPos(POINT{X, Y});
  QCursor::setPos(X, Y);
  return TRUE;
}

void SetInputCursorPos(POINT pt) {
  TWindowState& s = State();
  std::lock_guard lock(s.Lock);
  s.CursorPos = pt;
  s.CursorKnown = true;
}

HWND SetCapture(HWND hWnd) {
  HWND previous;
  {
    TWindowState& s = State();
    std::lock_guard lock(s.Lock);
    previous = s.Capture && SlotOf(s.Capture) >= 0 ? s.Capture : nullptr;
    s.Capture = SlotOf(hWnd) >= 0 ? hWnd : nullptr;
  }
  if (previous && previous != hWnd) SendMessage(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
  return previous;
}

BOOL ReleaseCapture() {
  HWND previous;
  {
    TWindowState& s = State();
    std::lock_guard lock(s.Lock);
    previous = s.Capture && SlotOf(s.Capture) >= 0 ? s.Capture : nullptr;
    s.Capture = nullptr;
  }
  if (previous) SendMessage(previous, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() {
  TWindowState& s = State();
  std::lock_guard lock(s.Lock);
  return s.Capture && SlotOf(s.Capture) >= 0 ? s.Capture : nullptr;
}

HWND GetFocus() { return WindowFromWidget(QApplication::focusWidget()); }

HWND SetFocus(HWND hWnd) {
  const HWND previous = GetFocus();
  QWidget* w = WidgetOf(hWnd);
  if (!w) return nullptr;
  if (!w->window()->isActiveWindow()) w->window()->activateWindow();
  w->setFocus(Qt::OtherFocusReason);
  return previous;
}

HWND GetActiveWindow() { return WindowFromWidget(QApplication::activeWindow()); }

// --- geometry and painting -------------------------------------------------------------

RECT TWindowObject::WindowClientArea() const {
  QWidget* w = WindowWidget();
  return w ? RECT{0, 0, w->width(), w->height()} : RECT{0, 0, 0, 0};
}

namespace {
// The corner of the window's client area in its widget.
QPoint ClientOffset(HWND hWnd) {
  TWindowObject* window = FindWindowObject(hWnd);
  if (!window) return QPoint(0, 0);
  const RECT r = window->WindowClientArea();
  return QPoint(r.left, r.top);
}
}  // namespace

BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
  QWidget* w = WidgetOf(hWnd);
  if (!w || !lpPoint) return FALSE;
  const QPoint p = w->mapToGlobal(QPoint(lpPoint->x, lpPoint->y) + ClientOffset(hWnd));
  *lpPoint = POINT{p.x(), p.y()};
  return TRUE;
}

BOOL ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
  QWidget* w = WidgetOf(hWnd);
  if (!w || !lpPoint) return FALSE;
  const QPoint p = w->mapFromGlobal(QPoint(lpPoint->x, lpPoint->y)) - ClientOffset(hWnd);
  *lpPoint = POINT{p.x(), p.y()};
  return TRUE;
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
  QWidget* w = WidgetOf(hWnd);
  if (!w || !lpRect) return FALSE;
  const TWindowObject* window = FindWindowObject(hWnd);
  const RECT r = window ? window->WindowClientArea() : RECT{0, 0, w->width(), w->height()};
  *lpRect = RECT{0, 0, r.right - r.left, r.bottom - r.top};
  return TRUE;
}

BOOL GetWindowRect(HWND hWnd, LPRECT lpRect) {
  QWidget* w = WidgetOf(hWnd);
  if (!w || !lpRect) return FALSE;
  QRect r;
  // A window's client widget inside a frame of its own (a form with a menu
  // bar): the window is the frame.
  if (QWidget* parent = w->parentWidget(); !w->isWindow() && parent && parent->isWindow() && !WindowFromWidget(parent))
    r = parent->frameGeometry();
  else if (w->isWindow())
    r = w->frameGeometry();
  else
    r = QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
  *lpRect = RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
  return TRUE;
}

int MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints) {
  QWidget* from = hWndFrom ? WidgetOf(hWndFrom) : nullptr;
  QWidget* to = hWndTo ? WidgetOf(hWndTo) : nullptr;
  if ((hWndFrom && !from) || (hWndTo && !to) || (!lpPoints && cPoints)) return 0;
  const QPoint origin = from ? from->mapToGlobal(ClientOffset(hWndFrom)) : QPoint(0, 0);
  const QPoint target = to ? to->mapToGlobal(ClientOffset(hWndTo)) : QPoint(0, 0);
  const int dx = origin.x() - target.x();
  const int dy = origin.y() - target.y();
  for (UINT i = 0; i < cPoints; ++i) {
    lpPoints[i].x += dx;
    lpPoints[i].y += dy;
  }
  return int(MAKELPARAM(WORD(dx), WORD(dy)));
}

HWND WindowFromPoint(POINT Point) { return WindowFromWidget(QApplication::widgetAt(Point.x, Point.y)); }

BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
  TWindowObject* window = FindWindowObject(hWnd);
  if (!window) return FALSE;
  std::function<void(HWND, const RECT*)> hook;
  {
    std::lock_guard lock(State().Lock);
    hook = State().InvalidateHook;
  }
  if (hook) hook(hWnd, lpRect);
  window->InvalidateWindowRect(lpRect);
  return TRUE;
}

BOOL UpdateWindow(HWND hWnd) {
  QWidget* w = WidgetOf(hWnd);
  if (!w) return FALSE;
  if (w->isVisible()) w->repaint();
  return TRUE;
}

void SetInvalidateHook(std::function<void(HWND, const RECT*)> Hook) {
  std::lock_guard lock(State().Lock);
  State().InvalidateHook = std::move(Hook);
}

int GetSystemMetrics(int nIndex) {
  QScreen* screen = QGuiApplication::primaryScreen();
  switch (nIndex) {
    case SM_CXSCREEN: return screen ? screen->geometry().width() : 0;
    case SM_CYSCREEN: return screen ? screen->geometry().height() : 0;
    case SM_CXVSCROLL: case SM_CYHSCROLL: case SM_CYVSCROLL: case SM_CXHSCROLL: return 17;
    case SM_CYCAPTION: return 23;
    case SM_CXBORDER: case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME: case SM_CYDLGFRAME: return 3;
    case SM_CXICON: case SM_CYICON: case SM_CXCURSOR: case SM_CYCURSOR: return 32;
    case SM_CYMENU: return 20;
    case SM_SWAPBUTTON: return 0;
    case SM_CXDOUBLECLK: case SM_CYDOUBLECLK: return 4;
    case SM_CXEDGE: case SM_CYEDGE: return 2;
    case SM_CXSMICON: case SM_CYSMICON: return 16;
    case SM_CXDRAG: case SM_CYDRAG: return 4;
    case SM_MOUSEWHEELPRESENT: return 1;
    case SM_CMONITORS: return int(QGuiApplication::screens().size());
    default: return 0;
  }
}
