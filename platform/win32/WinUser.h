#pragma once
// The window-manager side of the platform layer (user32): window handles,
// sending and posting messages, registered messages, timers, key and mouse
// state, capture, focus, coordinates and invalidation. Declared from the public Win32 documentation; the windows
// themselves are the framework's controls, which implement TWindowObject.
//
// Handles: each window gets an HWND from a table with generation counters,
// so a handle of a destroyed window never reaches a newer window that reused
// the slot. IsWindow, SendMessage and posted messages check it.
//
// Posted messages go to the framework's own queue (thread-safe) and are
// delivered from the Qt event loop. The input translator delivers every
// queued message before it translates the next input event, which keeps
// Win32's "posted messages before input" order. A message whose window was
// destroyed meanwhile is dropped.

#include <QString>
#include <exception>
#include <functional>

#include "platform/win32/Messages.h"

class QWidget;

// ---------------------------------------------------------------------------
// Windows

// What the window manager needs from a window: its procedure and its widget.
// The framework's windowed controls implement it.
class TWindowObject {
 public:
  virtual ~TWindowObject() = default;
  // Runs the window procedure for one message and returns its result.
  virtual LRESULT WindowMessage(UINT Msg, WPARAM wParam, LPARAM lParam) = 0;
  // The Qt widget showing the window (nullptr while it has none).
  virtual QWidget* WindowWidget() const = 0;
  // Marks a client rectangle (nullptr: all of it) for repainting.
  virtual void InvalidateWindowRect(const RECT* Rect) = 0;
  // Destroys the window (DestroyWindow).
  virtual void DestroyWindowObject() = 0;
  // The client area in the widget's coordinates: the whole widget unless the
  // window has non-client parts (a border, scroll bars). Client coordinates
  // (GetClientRect, ClientToScreen, InvalidateRect) count from its corner.
  virtual RECT WindowClientArea() const;
};

// Gives Window a fresh handle.
HWND AllocateWindowHandle(TWindowObject* Window, QWidget* Widget);
// Retires a handle: it is no longer valid, its timers are killed, capture
// and the focus record are cleared. Queued messages for it are dropped when
// their turn comes.
void ReleaseWindowHandle(HWND hWnd);
// The live window of a handle, or nullptr.
TWindowObject* FindWindowObject(HWND hWnd);
// The handle of the nearest widget at or above Widget that has one.
HWND WindowFromWidget(const QWidget* Widget);
// Number of live window handles (for leak checks).
int WindowHandleCount();

BOOL IsWindow(HWND hWnd);
BOOL IsWindowVisible(HWND hWnd);
BOOL IsWindowEnabled(HWND hWnd);
BOOL EnableWindow(HWND hWnd, BOOL bEnable);
BOOL DestroyWindow(HWND hWnd);
HWND GetParent(HWND hWnd);
BOOL IsChild(HWND hWndParent, HWND hWnd);

// ---------------------------------------------------------------------------
// Messages

// Calls the window procedure synchronously and returns its result; 0 for an
// invalid handle. Exceptions reach the caller, as with a direct call.
LRESULT SendMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// Queues a message for hWnd; FALSE (last error ERROR_INVALID_WINDOW_HANDLE)
// when hWnd is not a window. A null hWnd posts a thread message, delivered to
// the hook set with SetThreadMessageHook. Callable from any thread.
BOOL PostMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessage(UINT Msg, WPARAM wParam, LPARAM lParam);

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};
using LPMSG = MSG*;

inline constexpr UINT PM_NOREMOVE = 0x0000;
inline constexpr UINT PM_REMOVE = 0x0001;
inline constexpr UINT PM_NOYIELD = 0x0002;

// Looks at the posted-message queue: the first message for hWnd (any window
// when null; messages of destroyed windows are skipped and discarded) whose
// id lies in wMsgFilterMin..wMsgFilterMax (both 0: any). PM_REMOVE takes it
// out of the queue.
BOOL PeekMessage(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg);
// Delivers a message taken with PeekMessage to its window (guarded).
LRESULT DispatchMessage(const MSG* lpMsg);

// Delivers every queued message (including those posted meanwhile, up to a
// bound that keeps a message reposting itself from hanging the program).
// Returns how many were delivered.
int ProcessPostedMessages();
int PostedMessageCount();
// Receives thread messages (posted with a null window).
void SetThreadMessageHook(std::function<void(const MSG&)> Hook);

// Same id for the same name (compared without case), from 0xC000 on; 0 for an
// empty name or when the range is used up.
UINT RegisterWindowMessage(LPCWSTR lpString);
UINT RegisterWindowMessage(const QString& Name);

// ---------------------------------------------------------------------------
// Guarded calls: exceptions never cross a Qt event handler.

// Runs Work; an exception goes to ApplicationHandleException (SysUtils.h), the
// one route the application object sets to its HandleException, or is
// reported with qWarning when none is set.
void CallGuarded(const std::function<void()>& Work);
// Sets that same handler (SetApplicationHandleException).
void SetExceptionHandler(std::function<void(std::exception_ptr)> Handler);

// ---------------------------------------------------------------------------
// Timers (on the one scheduler, see Scheduler.h)

using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);
inline constexpr UINT USER_TIMER_MINIMUM = 0x0000000A;
inline constexpr UINT USER_TIMER_MAXIMUM = 0x7FFFFFFF;

// With a window: starts or restarts the window's timer nIDEvent and returns
// nIDEvent; each tick sends WM_TIMER (wParam = id, lParam = lpTimerFunc) to
// the window, or calls lpTimerFunc when given. Without a window: a new id is
// returned and lpTimerFunc is called. Intervals are clamped to
// USER_TIMER_MINIMUM..USER_TIMER_MAXIMUM. 0 for an invalid window.
UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc);
BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent);
// GetTickCount and GetTickCount64 (SysUtils) read the scheduler's clock.
UINT GetDoubleClickTime();

// ---------------------------------------------------------------------------
// Keyboard and mouse state, as last seen by the input translator.

// High bit (the result is negative) while the key is down; low bit toggled
// with each press (Caps Lock and the like).
SHORT GetKeyState(int nVirtKey);
// The same state table: input here is synthesized from the event being
// processed, so the "asynchronous" state is that event's state.
SHORT GetAsyncKeyState(int vKey);
// Called by the input translator. VK_SHIFT, VK_CONTROL and VK_MENU follow
// their left and right forms.
void SetInputKeyState(int nVirtKey, bool Down);
// Forgets every pressed key (tests, focus loss of the application).
void ResetInputKeyState();

BOOL GetCursorPos(LPPOINT lpPoint);
BOOL SetCursorPos(int X, int Y);
// Called by the input translator with each mouse event's screen position.
void SetInputCursorPos(POINT pt);

HWND SetCapture(HWND hWnd);
BOOL ReleaseCapture();
HWND GetCapture();

HWND GetFocus();
// Gives hWnd the keyboard focus (activating its window); returns the window
// that had it.
HWND SetFocus(HWND hWnd);
HWND GetActiveWindow();

// ---------------------------------------------------------------------------
// Geometry and painting

BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint);
BOOL ScreenToClient(HWND hWnd, LPPOINT lpPoint);
BOOL GetClientRect(HWND hWnd, LPRECT lpRect);
BOOL GetWindowRect(HWND hWnd, LPRECT lpRect);
// Maps cPoints points from one window's client coordinates to another's (a
// null window means the screen).
int MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints);
HWND WindowFromPoint(POINT Point);

BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase);
BOOL UpdateWindow(HWND hWnd);
// Called for every invalidation (tests record them). Null removes it.
void SetInvalidateHook(std::function<void(HWND, const RECT*)> Hook);

// ShowWindow codes (SW_*) are declared in Shell.h.

// ---------------------------------------------------------------------------
// Window styles (CreateParams)

inline constexpr DWORD WS_OVERLAPPED = 0x00000000;
inline constexpr DWORD WS_POPUP = 0x80000000;
inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_MINIMIZE = 0x20000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_DISABLED = 0x08000000;
inline constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
inline constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
inline constexpr DWORD WS_MAXIMIZE = 0x01000000;
inline constexpr DWORD WS_CAPTION = 0x00C00000;
inline constexpr DWORD WS_BORDER = 0x00800000;
inline constexpr DWORD WS_DLGFRAME = 0x00400000;
inline constexpr DWORD WS_VSCROLL = 0x00200000;
inline constexpr DWORD WS_HSCROLL = 0x00100000;
inline constexpr DWORD WS_SYSMENU = 0x00080000;
inline constexpr DWORD WS_THICKFRAME = 0x00040000;
inline constexpr DWORD WS_GROUP = 0x00020000;
inline constexpr DWORD WS_TABSTOP = 0x00010000;
inline constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
inline constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
inline constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
inline constexpr DWORD WS_POPUPWINDOW = WS_POPUP | WS_BORDER | WS_SYSMENU;

inline constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001;
inline constexpr DWORD WS_EX_TOPMOST = 0x00000008;
inline constexpr DWORD WS_EX_TRANSPARENT = 0x00000020;
inline constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
inline constexpr DWORD WS_EX_WINDOWEDGE = 0x00000100;
inline constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
inline constexpr DWORD WS_EX_CONTROLPARENT = 0x00010000;
inline constexpr DWORD WS_EX_STATICEDGE = 0x00020000;
inline constexpr DWORD WS_EX_APPWINDOW = 0x00040000;
inline constexpr DWORD WS_EX_LAYERED = 0x00080000;
inline constexpr DWORD WS_EX_NOACTIVATE = 0x08000000;

inline constexpr UINT CS_VREDRAW = 0x0001;
inline constexpr UINT CS_HREDRAW = 0x0002;
inline constexpr UINT CS_DBLCLKS = 0x0008;
inline constexpr UINT CS_SAVEBITS = 0x0800;

// ---------------------------------------------------------------------------
// System metrics (the values of a standard 96-dpi desktop)

inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr int SM_CXVSCROLL = 2;
inline constexpr int SM_CYHSCROLL = 3;
inline constexpr int SM_CYCAPTION = 4;
inline constexpr int SM_CXBORDER = 5;
inline constexpr int SM_CYBORDER = 6;
inline constexpr int SM_CXDLGFRAME = 7;
inline constexpr int SM_CYDLGFRAME = 8;
inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;
inline constexpr int SM_CXCURSOR = 13;
inline constexpr int SM_CYCURSOR = 14;
inline constexpr int SM_CYMENU = 15;
inline constexpr int SM_CYVSCROLL = 20;
inline constexpr int SM_CXHSCROLL = 21;
inline constexpr int SM_SWAPBUTTON = 23;
inline constexpr int SM_CXDOUBLECLK = 36;
inline constexpr int SM_CYDOUBLECLK = 37;
inline constexpr int SM_CXEDGE = 45;
inline constexpr int SM_CYEDGE = 46;
inline constexpr int SM_CXSMICON = 49;
inline constexpr int SM_CYSMICON = 50;
inline constexpr int SM_CXDRAG = 68;
inline constexpr int SM_CYDRAG = 69;
inline constexpr int SM_MOUSEWHEELPRESENT = 75;
inline constexpr int SM_CMONITORS = 80;

int GetSystemMetrics(int nIndex);

// Message boxes are in platform/vcl/Dialogs.h, ShellExecute and MessageBeep
// in platform/win32/Shell.h, each behind its replaceable service.
