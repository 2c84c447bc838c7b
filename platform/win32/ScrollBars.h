#pragma once
// The scroll bars of a window (user32): the horizontal and the vertical bar a
// window keeps in its non-client area, the functions that set and read them,
// and ScrollWindow/ScrollWindowEx. Declared from the public Win32
// documentation, with the documented values.
//
// Rules:
// - A window's bars are non-client parts: a shown bar takes its width
//   (SM_CXVSCROLL) or height (SM_CYHSCROLL) from the client area, the
//   vertical one at the right, the horizontal one at the bottom; when both
//   show, the corner between them is a dead square. Showing or hiding a bar
//   changes the client area at once (the window is told through
//   TScrollBarWindow::WindowFrameChanged and answers with WM_SIZE).
// - Range and page: nMax is never below nMin; nPage is clamped to
//   0..nMax - nMin + 1; nPos is clamped to nMin..nMax - max(nPage - 1, 0).
//   Whenever SetScrollInfo (with SIF_RANGE or SIF_PAGE) or SetScrollRange
//   sets a range, the bar shows when the range is needed (nMax > nMin and,
//   with a page, nPage <= nMax - nMin) and hides when it is not; with
//   SIF_DISABLENOSCROLL an unneeded bar stays shown and is disabled instead.
//   Setting only the position never shows or hides a bar. ShowScrollBar
//   shows or hides a bar whatever its range.
// - SetScrollInfo answers the new position, SetScrollPos the previous one,
//   GetScrollPos the current one; they answer 0 on failure (last error set).
//   GetScrollInfo fails with ERROR_NO_SCROLLBARS for a bar the window never
//   had; SIF_TRACKPOS answers the position of a thumb being dragged (else
//   nPos).
// - The mouse (driven by the window through TWindowScrollBars): a press on
//   an arrow sends SB_LINEUP/SB_LINEDOWN (SB_LINELEFT/SB_LINERIGHT) at once,
//   again after 400 ms and then every 50 ms while the button is held over
//   the arrow; a press on the track sends SB_PAGEUP/SB_PAGEDOWN likewise
//   until the thumb reaches the pointer; dragging the thumb sends
//   SB_THUMBTRACK with each new position, the release SB_THUMBPOSITION with
//   the final one; every release ends with SB_ENDSCROLL. Thumb positions
//   travel in the high word of WParam (16 bits); larger ranges read
//   nTrackPos. The message goes to the window itself (WM_HSCROLL or
//   WM_VSCROLL, LParam 0). A disabled bar or arrow ignores the mouse.
// - Thumb geometry: each arrow is as long as the bar is thick (shorter when
//   the bar is too short for two); the thumb is SM_CXHTHUMB long without a
//   page, else the page's share of the track, at least 8 pixels; a track
//   too short for the thumb shows none.
// - ScrollWindow/ScrollWindowEx: the scrolled area is marked for repainting
//   in full (the window paints it again from its content instead of moving
//   pixels), which shows the same picture; prcUpdate and hrgnUpdate report
//   the uncovered part as Win32 does; SW_SCROLLCHILDREN (and ScrollWindow
//   with no scroll rectangle) moves the child windows that lie in the area.
//
// Not covered: SB_CTL (scroll bar controls have their own class), the
// thumb snapping back when the pointer leaves the bar far sideways,
// hot-tracked arrow looks, right-to-left bars, GetScrollBarInfo.

#include <cstdint>
#include <memory>

#include "platform/win32/Gdi.h"
#include "platform/win32/WinUser.h"

// ---------------------------------------------------------------------------
// Constants

inline constexpr int SB_HORZ = 0;
inline constexpr int SB_VERT = 1;
inline constexpr int SB_CTL = 2;
inline constexpr int SB_BOTH = 3;

// Scroll codes (low word of WParam of WM_HSCROLL / WM_VSCROLL).
inline constexpr WORD SB_LINEUP = 0;
inline constexpr WORD SB_LINELEFT = 0;
inline constexpr WORD SB_LINEDOWN = 1;
inline constexpr WORD SB_LINERIGHT = 1;
inline constexpr WORD SB_PAGEUP = 2;
inline constexpr WORD SB_PAGELEFT = 2;
inline constexpr WORD SB_PAGEDOWN = 3;
inline constexpr WORD SB_PAGERIGHT = 3;
inline constexpr WORD SB_THUMBPOSITION = 4;
inline constexpr WORD SB_THUMBTRACK = 5;
inline constexpr WORD SB_TOP = 6;
inline constexpr WORD SB_LEFT = 6;
inline constexpr WORD SB_BOTTOM = 7;
inline constexpr WORD SB_RIGHT = 7;
inline constexpr WORD SB_ENDSCROLL = 8;

inline constexpr UINT SIF_RANGE = 0x0001;
inline constexpr UINT SIF_PAGE = 0x0002;
inline constexpr UINT SIF_POS = 0x0004;
inline constexpr UINT SIF_DISABLENOSCROLL = 0x0008;
inline constexpr UINT SIF_TRACKPOS = 0x0010;
inline constexpr UINT SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

inline constexpr UINT ESB_ENABLE_BOTH = 0x0000;
inline constexpr UINT ESB_DISABLE_LTUP = 0x0001;
inline constexpr UINT ESB_DISABLE_LEFT = 0x0001;
inline constexpr UINT ESB_DISABLE_UP = 0x0001;
inline constexpr UINT ESB_DISABLE_RTDN = 0x0002;
inline constexpr UINT ESB_DISABLE_RIGHT = 0x0002;
inline constexpr UINT ESB_DISABLE_DOWN = 0x0002;
inline constexpr UINT ESB_DISABLE_BOTH = 0x0003;

inline constexpr UINT SW_SCROLLCHILDREN = 0x0001;
inline constexpr UINT SW_INVALIDATE = 0x0002;
inline constexpr UINT SW_ERASE = 0x0004;

// Region types answered by ScrollWindowEx.
inline constexpr int SCROLL_ERROR = 0;
inline constexpr int SCROLL_NULLREGION = 1;
inline constexpr int SCROLL_SIMPLEREGION = 2;
inline constexpr int SCROLL_COMPLEXREGION = 3;

inline constexpr int SM_CXHTHUMB = 10;

inline constexpr DWORD ERROR_NO_SCROLLBARS = 1447;
inline constexpr DWORD ERROR_INVALID_SCROLLBAR_RANGE = 1448;

struct SCROLLINFO {
  UINT cbSize;
  UINT fMask;
  int nMin;
  int nMax;
  UINT nPage;
  int nPos;
  int nTrackPos;
};
using LPSCROLLINFO = SCROLLINFO*;
using LPCSCROLLINFO = const SCROLLINFO*;

// ---------------------------------------------------------------------------
// Functions (nBar / wBar: SB_HORZ, SB_VERT; ShowScrollBar and
// EnableScrollBar also SB_BOTH). Errors: ERROR_INVALID_WINDOW_HANDLE for a
// handle that is no window, ERROR_INVALID_PARAMETER for a bad bar, mask,
// size or pointer, ERROR_NO_SCROLLBARS for a window that cannot have bars
// (or, reading, never had that bar), ERROR_INVALID_SCROLLBAR_RANGE for a
// range wider than 0x7FFFFFFF.

int SetScrollInfo(HWND hwnd, int nBar, LPCSCROLLINFO lpsi, BOOL redraw);
BOOL GetScrollInfo(HWND hwnd, int nBar, LPSCROLLINFO lpsi);
int SetScrollPos(HWND hWnd, int nBar, int nPos, BOOL bRedraw);
int GetScrollPos(HWND hWnd, int nBar);
BOOL SetScrollRange(HWND hWnd, int nBar, int nMinPos, int nMaxPos, BOOL bRedraw);
BOOL GetScrollRange(HWND hWnd, int nBar, LPINT lpMinPos, LPINT lpMaxPos);
BOOL ShowScrollBar(HWND hWnd, int wBar, BOOL bShow);
// Nonzero when the arrows changed to the state asked for; 0 when they
// already were in it (or on failure).
BOOL EnableScrollBar(HWND hWnd, UINT wSBflags, UINT wArrows);
// Scrolls the client area (lpRect: the part to scroll, null for all of it;
// lpClipRect limits what changes). Children move when lpRect is null.
BOOL ScrollWindow(HWND hWnd, int XAmount, int YAmount, const RECT* lpRect, const RECT* lpClipRect);
// Answers the type of the uncovered region (SCROLL_NULLREGION,
// SCROLL_SIMPLEREGION, SCROLL_COMPLEXREGION) or SCROLL_ERROR.
int ScrollWindowEx(HWND hWnd, int dx, int dy, const RECT* prcScroll, const RECT* prcClip, HRGN hrgnUpdate,
                   LPRECT prcUpdate, UINT flags);

// ---------------------------------------------------------------------------
// The bars of one window. The window owns it and routes to it what happens
// in its non-client area: layout (CalcClientArea from WM_NCCALCSIZE), hit
// tests (WM_NCHITTEST), painting (WM_NCPAINT) and the mouse (a press on a
// bar starts tracking; while tracking every mouse event of the window goes
// to TrackMouse until the release).

class TWindowScrollBars {
 public:
  explicit TWindowScrollBars(HWND Window);
  ~TWindowScrollBars();
  TWindowScrollBars(const TWindowScrollBars&) = delete;
  TWindowScrollBars& operator=(const TWindowScrollBars&) = delete;

  HWND Window() const { return FWindow; }

  // --- state (Bar: SB_HORZ or SB_VERT)
  struct TBar {
    bool Exists = false;   // the window has (had) this bar
    bool Visible = false;  // part of the non-client area
    int Min = 0;
    int Max = 0;
    UINT Page = 0;
    int Pos = 0;
    int TrackPos = 0;
    UINT DisabledArrows = ESB_ENABLE_BOTH;  // ESB_ flags
    bool NoScrollDisabled = false;          // disabled because its range is not needed
  };
  const TBar& Bar(int nBar) const { return FBars[nBar == SB_VERT ? 1 : 0]; }
  // A window created with WS_HSCROLL or WS_VSCROLL has that bar shown with
  // the range 0..100.
  void InitFromStyle(DWORD Style);
  // The window API's operations; true when a shown bar appeared or went
  // (the frame changed).
  bool SetInfo(int nBar, const SCROLLINFO& Info);
  bool Show(int nBar, bool Show);
  // Answers whether the arrows changed.
  bool Enable(int nBar, UINT Arrows);
  bool IsVisible(int nBar) const { return Bar(nBar).Visible; }
  bool IsDisabled(int nBar) const;

  // --- geometry, all in window coordinates
  // Takes the shown bars off Area (the window inside its border) and keeps
  // Area for hit tests and painting; answers the client area.
  RECT CalcClientArea(const RECT& Area);
  // HTHSCROLL, HTVSCROLL, HTNOWHERE (the corner square) or HTCLIENT.
  int HitTest(POINT Pt) const;
  // The rectangle of a shown bar (empty when hidden).
  RECT BarRect(int nBar) const;
  enum TPart { spNone, spArrowLow, spPageLow, spThumb, spPageHigh, spArrowHigh };
  struct TLayout {
    RECT ArrowLow{};
    RECT ArrowHigh{};
    RECT Track{};
    RECT Thumb{};  // empty when the bar shows no thumb
  };
  TLayout Layout(int nBar) const;
  TPart PartAt(int nBar, POINT Pt) const;

  // --- painting: both shown bars and the corner.
  void Paint(HDC DC) const;

  // --- mouse, in window coordinates. BeginTrack answers false when the
  // point hits nothing that reacts (a disabled bar, the corner).
  bool BeginTrack(int nBar, POINT Pt);
  // A move (Release false) or the release (true) while tracking.
  void TrackMouse(POINT Pt, bool Release);
  bool Tracking() const { return FTrack.Active; }
  // Stops tracking without the release's messages (capture lost).
  void CancelTrack();

 private:
  TBar& MutableBar(int nBar) { return FBars[nBar == SB_VERT ? 1 : 0]; }
  bool ApplyNeed(int nBar, bool DisableNoScroll);
  void Send(WORD Code, int Pos);
  void Repeat();
  void StopTimer();
  int PosFromThumb(int nBar, int ThumbStart) const;
  void Redraw();

  HWND FWindow;
  TBar FBars[2];
  RECT FArea{};
  struct TTrack {
    bool Active = false;
    int Bar = SB_HORZ;
    TPart Part = spNone;
    POINT Pt{};
    int ThumbOffset = 0;  // pointer minus thumb start along the bar
    int ThumbStart = 0;   // where the dragged thumb is drawn
    uint64_t Timer = 0;
    bool FirstRepeat = true;
  } FTrack;
};

// What a window with bars implements (the framework's windowed controls).
class TScrollBarWindow {
 public:
  virtual ~TScrollBarWindow() = default;
  // The window's bars, created on first use; nullptr when the window cannot
  // have bars of its own (a Qt control that scrolls itself).
  virtual TWindowScrollBars* WindowScrollBars() = 0;
  // A bar appeared or went: the window works out its client area again.
  virtual void WindowFrameChanged() = 0;
  // Repaints the non-client parts.
  virtual void RedrawFrame() = 0;
  // Moves the child windows lying in Area (client coordinates; null: all).
  virtual void ScrollChildWindows(int DX, int DY, const RECT* Area) = 0;
};
