// Window scroll bars: state, layout, painting, mouse tracking, and the
// functions of the window API over them.

#include "platform/win32/ScrollBars.h"

#include <algorithm>

#include "platform/win32/Scheduler.h"
#include "platform/win32/Theme.h"

namespace {

constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
constexpr int kMinThumb = 8;
constexpr uint64_t kFirstRepeatMs = 400;
constexpr uint64_t kRepeatMs = 50;

bool ValidBar(int nBar) { return nBar == SB_HORZ || nBar == SB_VERT; }

int Thickness(int nBar) { return GetSystemMetrics(nBar == SB_VERT ? SM_CXVSCROLL : SM_CYHSCROLL); }

// a * b / c rounded half away from zero, in 64 bits.
int64_t MulDiv64(int64_t a, int64_t b, int64_t c) {
  if (c == 0) return 0;
  int64_t n = a * b;
  if (c < 0) {
    n = -n;
    c = -c;
  }
  return n >= 0 ? (n + c / 2) / c : (n - c / 2) / c;
}

int64_t PositionSpan(const TWindowScrollBars::TBar& b) {
  return int64_t(b.Max) - b.Min - std::max<int64_t>(int64_t(b.Page) - 1, 0);
}

void ClampPosition(TWindowScrollBars::TBar& b) {
  const int64_t maxPos = int64_t(b.Min) + std::max<int64_t>(PositionSpan(b), 0);
  b.Pos = int(std::clamp<int64_t>(b.Pos, b.Min, maxPos));
}

// The window's bars; sets the last error and answers nullptr when there are
// none to reach.
TWindowScrollBars* BarsOf(HWND hWnd, TScrollBarWindow** Host = nullptr) {
  TWindowObject* window = FindWindowObject(hWnd);
  if (!window) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  auto* host = dynamic_cast<TScrollBarWindow*>(window);
  TWindowScrollBars* bars = host ? host->WindowScrollBars() : nullptr;
  if (!bars) {
    SetLastError(ERROR_NO_SCROLLBARS);
    return nullptr;
  }
  if (Host) *Host = host;
  return bars;
}

void AfterChange(TScrollBarWindow* Host, bool FrameChanged, bool Redraw) {
  if (!Host) return;
  if (FrameChanged) Host->WindowFrameChanged();
  else if (Redraw) Host->RedrawFrame();
}

bool Contains(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }
bool Empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace

// ---------------------------------------------------------------------------
// TWindowScrollBars

TWindowScrollBars::TWindowScrollBars(HWND Window) : FWindow(Window) {}

TWindowScrollBars::~TWindowScrollBars() { StopTimer(); }

void TWindowScrollBars::InitFromStyle(DWORD Style) {
  for (int nBar : {SB_HORZ, SB_VERT}) {
    if (!(Style & (nBar == SB_VERT ? WS_VSCROLL : WS_HSCROLL))) continue;
    TBar& b = MutableBar(nBar);
    b.Exists = true;
    b.Visible = true;
    b.Min = 0;
    b.Max = 100;
  }
}

bool TWindowScrollBars::SetInfo(int nBar, const SCROLLINFO& Info) {
  TBar& b = MutableBar(nBar);
  b.Exists = true;
  if (Info.fMask & SIF_RANGE) {
    b.Min = Info.nMin;
    b.Max = std::max(Info.nMax, Info.nMin);
  }
  if (Info.fMask & SIF_PAGE) b.Page = Info.nPage;
  const int64_t span = int64_t(b.Max) - b.Min + 1;
  if (int64_t(b.Page) > span) b.Page = UINT(span);
  if (Info.fMask & SIF_POS) b.Pos = Info.nPos;
  ClampPosition(b);
  if (!(FTrack.Active && FTrack.Bar == nBar && FTrack.Part == spThumb)) b.TrackPos = b.Pos;
  if (Info.fMask & (SIF_RANGE | SIF_PAGE)) return ApplyNeed(nBar, (Info.fMask & SIF_DISABLENOSCROLL) != 0);
  return false;
}

bool TWindowScrollBars::ApplyNeed(int nBar, bool DisableNoScroll) {
  TBar& b = MutableBar(nBar);
  const bool needed = b.Max > b.Min && (b.Page == 0 || int64_t(b.Page) <= int64_t(b.Max) - b.Min);
  b.NoScrollDisabled = !needed && DisableNoScroll;
  const bool show = needed || DisableNoScroll;
  if (b.Visible == show) return false;
  b.Visible = show;
  if (!show && FTrack.Active && FTrack.Bar == nBar) CancelTrack();
  return true;
}

bool TWindowScrollBars::Show(int nBar, bool ShowBar) {
  TBar& b = MutableBar(nBar);
  if (ShowBar) b.Exists = true;
  if (b.Visible == ShowBar) return false;
  b.Visible = ShowBar;
  if (!ShowBar && FTrack.Active && FTrack.Bar == nBar) CancelTrack();
  return true;
}

bool TWindowScrollBars::Enable(int nBar, UINT Arrows) {
  TBar& b = MutableBar(nBar);
  Arrows &= ESB_DISABLE_BOTH;
  if (b.DisabledArrows == Arrows) return false;
  b.DisabledArrows = Arrows;
  return true;
}

bool TWindowScrollBars::IsDisabled(int nBar) const {
  const TBar& b = Bar(nBar);
  return b.NoScrollDisabled || b.DisabledArrows == ESB_DISABLE_BOTH;
}

// --- geometry

RECT TWindowScrollBars::CalcClientArea(const RECT& Area) {
  FArea = Area;
  RECT r = Area;
  if (Bar(SB_VERT).Visible) r.right -= Thickness(SB_VERT);
  if (Bar(SB_HORZ).Visible) r.bottom -= Thickness(SB_HORZ);
  r.right = std::max(r.right, r.left);
  r.bottom = std::max(r.bottom, r.top);
  return r;
}

RECT TWindowScrollBars::BarRect(int nBar) const {
  RECT r{0, 0, 0, 0};
  if (!Bar(nBar).Visible) return r;
  if (nBar == SB_VERT) {
    r = RECT{FArea.right - Thickness(SB_VERT), FArea.top, FArea.right,
             FArea.bottom - (Bar(SB_HORZ).Visible ? Thickness(SB_HORZ) : 0)};
  } else {
    r = RECT{FArea.left, FArea.bottom - Thickness(SB_HORZ),
             FArea.right - (Bar(SB_VERT).Visible ? Thickness(SB_VERT) : 0), FArea.bottom};
  }
  r.left = std::max(r.left, FArea.left);
  r.top = std::max(r.top, FArea.top);
  r.right = std::max(r.right, r.left);
  r.bottom = std::max(r.bottom, r.top);
  return r;
}

int TWindowScrollBars::HitTest(POINT Pt) const {
  if (Contains(BarRect(SB_VERT), Pt)) return HTVSCROLL;
  if (Contains(BarRect(SB_HORZ), Pt)) return HTHSCROLL;
  if (Bar(SB_VERT).Visible && Bar(SB_HORZ).Visible) {
    const RECT corner{FArea.right - Thickness(SB_VERT), FArea.bottom - Thickness(SB_HORZ), FArea.right, FArea.bottom};
    if (Contains(corner, Pt)) return HTNOWHERE;
  }
  return HTCLIENT;
}

TWindowScrollBars::TLayout TWindowScrollBars::Layout(int nBar) const {
  TLayout l;
  const RECT r = BarRect(nBar);
  if (Empty(r)) return l;
  const bool horz = nBar == SB_HORZ;
  const int start = horz ? r.left : r.top;
  const int end = horz ? r.right : r.bottom;
  const int length = end - start;
  const int thick = horz ? r.bottom - r.top : r.right - r.left;
  const int arrow = std::min(thick, length / 2);
  auto span = [&](int a, int b) { return horz ? RECT{a, r.top, b, r.bottom} : RECT{r.left, a, r.right, b}; };
  l.ArrowLow = span(start, start + arrow);
  l.ArrowHigh = span(end - arrow, end);
  l.Track = span(start + arrow, end - arrow);
  const int track = length - 2 * arrow;
  if (IsDisabled(nBar) || track <= 0) return l;
  const TBar& b = Bar(nBar);
  const int64_t range = int64_t(b.Max) - b.Min;
  int thumb = thick;
  if (b.Page > 0) thumb = int(std::max<int64_t>(kMinThumb, MulDiv64(track, b.Page, range + 1)));
  if (thumb > track) return l;
  int thumbStart;
  if (FTrack.Active && FTrack.Part == spThumb && FTrack.Bar == nBar) {
    thumbStart = std::clamp(FTrack.ThumbStart, start + arrow, start + arrow + track - thumb);
  } else {
    const int64_t posSpan = PositionSpan(b);
    thumbStart = start + arrow + int(posSpan > 0 ? MulDiv64(track - thumb, int64_t(b.Pos) - b.Min, posSpan) : 0);
  }
  l.Thumb = span(thumbStart, thumbStart + thumb);
  return l;
}

TWindowScrollBars::TPart TWindowScrollBars::PartAt(int nBar, POINT Pt) const {
  if (!Contains(BarRect(nBar), Pt)) return spNone;
  const TLayout l = Layout(nBar);
  if (Contains(l.ArrowLow, Pt)) return spArrowLow;
  if (Contains(l.ArrowHigh, Pt)) return spArrowHigh;
  if (Empty(l.Thumb)) return Contains(l.Track, Pt) && !IsDisabled(nBar) ? spPageHigh : spNone;
  if (Contains(l.Thumb, Pt)) return spThumb;
  const int along = nBar == SB_HORZ ? Pt.x : Pt.y;
  const int thumbStart = nBar == SB_HORZ ? l.Thumb.left : l.Thumb.top;
  return along < thumbStart ? spPageLow : spPageHigh;
}

int TWindowScrollBars::PosFromThumb(int nBar, int ThumbStart) const {
  const TBar& b = Bar(nBar);
  const TLayout l = Layout(nBar);
  const bool horz = nBar == SB_HORZ;
  const int trackStart = horz ? l.Track.left : l.Track.top;
  const int track = horz ? l.Track.right - l.Track.left : l.Track.bottom - l.Track.top;
  const int thumb = horz ? l.Thumb.right - l.Thumb.left : l.Thumb.bottom - l.Thumb.top;
  const int64_t posSpan = std::max<int64_t>(PositionSpan(b), 0);
  if (track - thumb <= 0) return b.Min;
  const int64_t pos = int64_t(b.Min) + MulDiv64(ThumbStart - trackStart, posSpan, track - thumb);
  return int(std::clamp<int64_t>(pos, b.Min, int64_t(b.Min) + posSpan));
}

// --- painting

void TWindowScrollBars::Paint(HDC DC) const {
  const bool themed = IsAppThemed();
  HTHEME theme = themed ? OpenThemeData(FWindow, u"SCROLLBAR") : nullptr;
  for (int nBar : {SB_HORZ, SB_VERT}) {
    if (!Bar(nBar).Visible) continue;
    const RECT r = BarRect(nBar);
    if (Empty(r)) continue;
    const TLayout l = Layout(nBar);
    const bool disabled = IsDisabled(nBar);
    const bool horz = nBar == SB_HORZ;
    RECT whole = r;
    FillRect(DC, &whole, GetSysColorBrush(COLOR_BTNFACE));
    const UINT arrows = Bar(nBar).DisabledArrows;
    auto pressed = [&](TPart p) { return FTrack.Active && FTrack.Bar == nBar && FTrack.Part == p; };
    // Arrows
    struct TArrow {
      RECT R;
      TPart Part;
      bool Off;
      int ThemeBase;
      UINT Classic;
    };
    const TArrow list[] = {
        {l.ArrowLow, spArrowLow, disabled || (arrows & ESB_DISABLE_LTUP), horz ? ABS_LEFTNORMAL : ABS_UPNORMAL,
         horz ? DFCS_SCROLLLEFT : DFCS_SCROLLUP},
        {l.ArrowHigh, spArrowHigh, disabled || (arrows & ESB_DISABLE_RTDN), horz ? ABS_RIGHTNORMAL : ABS_DOWNNORMAL,
         horz ? DFCS_SCROLLRIGHT : DFCS_SCROLLDOWN},
    };
    for (const TArrow& a : list) {
      if (Empty(a.R)) continue;
      RECT ar = a.R;
      if (theme) {
        const int state = a.ThemeBase + (a.Off ? 3 : pressed(a.Part) ? 2 : 0);
        DrawThemeBackground(theme, DC, SBP_ARROWBTN, state, &ar, nullptr);
      } else {
        DrawFrameControl(DC, &ar, DFC_SCROLL,
                         a.Classic | (a.Off ? DFCS_INACTIVE : 0) | (pressed(a.Part) ? DFCS_PUSHED | DFCS_FLAT : 0));
      }
    }
    // Track halves and thumb
    RECT low = l.Track, high = l.Track;
    if (!Empty(l.Thumb)) {
      if (horz) {
        low.right = l.Thumb.left;
        high.left = l.Thumb.right;
      } else {
        low.bottom = l.Thumb.top;
        high.top = l.Thumb.bottom;
      }
    } else {
      high = RECT{0, 0, 0, 0};
    }
    auto track = [&](RECT tr, bool lower) {
      if (Empty(tr)) return;
      const bool down = pressed(lower ? spPageLow : spPageHigh);
      if (theme) {
        const int part = horz ? (lower ? SBP_LOWERTRACKHORZ : SBP_UPPERTRACKHORZ)
                              : (lower ? SBP_LOWERTRACKVERT : SBP_UPPERTRACKVERT);
        DrawThemeBackground(theme, DC, part, disabled ? SCRBS_DISABLED : down ? SCRBS_PRESSED : SCRBS_NORMAL, &tr,
                            nullptr);
      } else {
        // The classic track: half face, half highlight (the look of its
        // checkered pattern from a distance).
        const COLORREF face = GetSysColor(COLOR_3DFACE);
        const COLORREF light = GetSysColor(COLOR_3DHILIGHT);
        const COLORREF mix = RGB(BYTE((GetRValue(face) + GetRValue(light)) / 2),
                                 BYTE((GetGValue(face) + GetGValue(light)) / 2),
                                 BYTE((GetBValue(face) + GetBValue(light)) / 2));
        HBRUSH brush = CreateSolidBrush(down ? GetSysColor(COLOR_3DDKSHADOW) : mix);
        FillRect(DC, &tr, brush);
        DeleteObject(brush);
      }
    };
    track(low, true);
    track(high, false);
    if (!Empty(l.Thumb)) {
      RECT tr = l.Thumb;
      if (theme) {
        DrawThemeBackground(theme, DC, horz ? SBP_THUMBBTNHORZ : SBP_THUMBBTNVERT,
                            pressed(spThumb) ? SCRBS_PRESSED : SCRBS_NORMAL, &tr, nullptr);
      } else {
        DrawFrameControl(DC, &tr, DFC_BUTTON, DFCS_BUTTONPUSH);
      }
    }
  }
  if (Bar(SB_VERT).Visible && Bar(SB_HORZ).Visible) {
    RECT corner{FArea.right - Thickness(SB_VERT), FArea.bottom - Thickness(SB_HORZ), FArea.right, FArea.bottom};
    if (!Empty(corner)) FillRect(DC, &corner, GetSysColorBrush(COLOR_BTNFACE));
  }
  if (theme) CloseThemeData(theme);
}

void TWindowScrollBars::Redraw() {
  if (auto* host = dynamic_cast<TScrollBarWindow*>(FindWindowObject(FWindow))) host->RedrawFrame();
}

// --- mouse

void TWindowScrollBars::Send(WORD Code, int Pos) {
  SendMessage(FWindow, FTrack.Bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(Code, WORD(Pos)), 0);
}

bool TWindowScrollBars::BeginTrack(int nBar, POINT Pt) {
  if (!ValidBar(nBar) || !Bar(nBar).Visible || IsDisabled(nBar)) return false;
  const TPart part = PartAt(nBar, Pt);
  const UINT arrows = Bar(nBar).DisabledArrows;
  if (part == spNone || (part == spArrowLow && (arrows & ESB_DISABLE_LTUP)) ||
      (part == spArrowHigh && (arrows & ESB_DISABLE_RTDN)))
    return false;
  CancelTrack();
  FTrack = TTrack{};
  FTrack.Active = true;
  FTrack.Bar = nBar;
  FTrack.Part = part;
  FTrack.Pt = Pt;
  if (part == spThumb) {
    const TLayout l = Layout(nBar);
    FTrack.ThumbStart = nBar == SB_HORZ ? l.Thumb.left : l.Thumb.top;
    FTrack.ThumbOffset = (nBar == SB_HORZ ? Pt.x : Pt.y) - FTrack.ThumbStart;
    MutableBar(nBar).TrackPos = Bar(nBar).Pos;
    Redraw();
    return true;
  }
  Redraw();
  const HWND window = FWindow;
  switch (part) {
    case spArrowLow: Send(SB_LINEUP, 0); break;
    case spArrowHigh: Send(SB_LINEDOWN, 0); break;
    case spPageLow: Send(SB_PAGEUP, 0); break;
    case spPageHigh: Send(SB_PAGEDOWN, 0); break;
    default: break;
  }
  if (!IsWindow(window) || !FTrack.Active) return true;
  FTrack.FirstRepeat = true;
  FTrack.Timer = TScheduler::Instance().Start(kFirstRepeatMs, [this] { CallGuarded([this] { Repeat(); }); });
  return true;
}

void TWindowScrollBars::Repeat() {
  if (!FTrack.Active || FTrack.Part == spThumb) return;
  if (FTrack.FirstRepeat) {
    FTrack.FirstRepeat = false;
    TScheduler::Instance().Restart(FTrack.Timer, kRepeatMs);
  }
  // Only while the pointer is over the pressed part (for the track: until
  // the thumb has reached the pointer).
  if (PartAt(FTrack.Bar, FTrack.Pt) != FTrack.Part) return;
  WORD code = SB_LINEUP;
  switch (FTrack.Part) {
    case spArrowLow: code = SB_LINEUP; break;
    case spArrowHigh: code = SB_LINEDOWN; break;
    case spPageLow: code = SB_PAGEUP; break;
    case spPageHigh: code = SB_PAGEDOWN; break;
    default: return;
  }
  Send(code, 0);
}

void TWindowScrollBars::TrackMouse(POINT Pt, bool Release) {
  if (!FTrack.Active) return;
  FTrack.Pt = Pt;
  const HWND window = FWindow;
  const int nBar = FTrack.Bar;
  if (FTrack.Part == spThumb) {
    const TLayout l = Layout(nBar);
    const bool horz = nBar == SB_HORZ;
    const int trackStart = horz ? l.Track.left : l.Track.top;
    const int trackEnd = horz ? l.Track.right : l.Track.bottom;
    const int thumb = horz ? l.Thumb.right - l.Thumb.left : l.Thumb.bottom - l.Thumb.top;
    const int start = std::clamp((horz ? Pt.x : Pt.y) - FTrack.ThumbOffset, trackStart, std::max(trackStart, trackEnd - thumb));
    const int pos = PosFromThumb(nBar, start);
    const bool moved = start != FTrack.ThumbStart;
    FTrack.ThumbStart = start;
    if (moved) Redraw();
    if (pos != Bar(nBar).TrackPos) {
      MutableBar(nBar).TrackPos = pos;
      Send(SB_THUMBTRACK, pos);
      if (!IsWindow(window) || !FTrack.Active) return;
    }
    if (!Release) return;
    Send(SB_THUMBPOSITION, Bar(nBar).TrackPos);
    if (!IsWindow(window)) return;
    FTrack.Active = false;
    Redraw();
    Send(SB_ENDSCROLL, 0);
    return;
  }
  if (!Release) {
    Redraw();
    return;
  }
  StopTimer();
  FTrack.Active = false;
  Redraw();
  Send(SB_ENDSCROLL, 0);
}

void TWindowScrollBars::CancelTrack() {
  StopTimer();
  if (FTrack.Active && FTrack.Part == spThumb) MutableBar(FTrack.Bar).TrackPos = Bar(FTrack.Bar).Pos;
  FTrack.Active = false;
}

void TWindowScrollBars::StopTimer() {
  if (FTrack.Timer) TScheduler::Instance().Stop(FTrack.Timer);
  FTrack.Timer = 0;
}

// ---------------------------------------------------------------------------
// The window API

int SetScrollInfo(HWND hwnd, int nBar, LPCSCROLLINFO lpsi, BOOL redraw) {
  if (!lpsi || !ValidBar(nBar) || (lpsi->cbSize != sizeof(SCROLLINFO) && lpsi->cbSize != sizeof(SCROLLINFO) - sizeof(int)) ||
      (lpsi->fMask & ~(SIF_ALL | SIF_DISABLENOSCROLL))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if ((lpsi->fMask & SIF_RANGE) && int64_t(lpsi->nMax) - lpsi->nMin > 0x7FFFFFFF) {
    SetLastError(ERROR_INVALID_SCROLLBAR_RANGE);
    return 0;
  }
  TScrollBarWindow* host = nullptr;
  TWindowScrollBars* bars = BarsOf(hwnd, &host);
  if (!bars) return 0;
  const bool frame = bars->SetInfo(nBar, *lpsi);
  const int pos = bars->Bar(nBar).Pos;
  AfterChange(host, frame, redraw);
  return pos;
}

BOOL GetScrollInfo(HWND hwnd, int nBar, LPSCROLLINFO lpsi) {
  if (!lpsi || !ValidBar(nBar) || (lpsi->cbSize != sizeof(SCROLLINFO) && lpsi->cbSize != sizeof(SCROLLINFO) - sizeof(int)) ||
      !(lpsi->fMask & SIF_ALL)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  TWindowScrollBars* bars = BarsOf(hwnd);
  if (!bars) return FALSE;
  const TWindowScrollBars::TBar& b = bars->Bar(nBar);
  if (!b.Exists) {
    SetLastError(ERROR_NO_SCROLLBARS);
    return FALSE;
  }
  if (lpsi->fMask & SIF_RANGE) {
    lpsi->nMin = b.Min;
    lpsi->nMax = b.Max;
  }
  if (lpsi->fMask & SIF_PAGE) lpsi->nPage = b.Page;
  if (lpsi->fMask & SIF_POS) lpsi->nPos = b.Pos;
  if ((lpsi->fMask & SIF_TRACKPOS) && lpsi->cbSize == sizeof(SCROLLINFO)) lpsi->nTrackPos = b.TrackPos;
  return TRUE;
}

int SetScrollPos(HWND hWnd, int nBar, int nPos, BOOL bRedraw) {
  if (!ValidBar(nBar)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  TScrollBarWindow* host = nullptr;
  TWindowScrollBars* bars = BarsOf(hWnd, &host);
  if (!bars) return 0;
  const int previous = bars->Bar(nBar).Pos;
  SCROLLINFO si{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, nPos, 0};
  bars->SetInfo(nBar, si);
  AfterChange(host, false, bRedraw);
  SetLastError(ERROR_SUCCESS);
  return previous;
}

int GetScrollPos(HWND hWnd, int nBar) {
  if (!ValidBar(nBar)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  TWindowScrollBars* bars = BarsOf(hWnd);
  if (!bars) return 0;
  if (!bars->Bar(nBar).Exists) {
    SetLastError(ERROR_NO_SCROLLBARS);
    return 0;
  }
  SetLastError(ERROR_SUCCESS);
  return bars->Bar(nBar).Pos;
}

BOOL SetScrollRange(HWND hWnd, int nBar, int nMinPos, int nMaxPos, BOOL bRedraw) {
  if (!ValidBar(nBar)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (int64_t(nMaxPos) - nMinPos > 0x7FFFFFFF || nMaxPos < nMinPos) {
    SetLastError(ERROR_INVALID_SCROLLBAR_RANGE);
    return FALSE;
  }
  TScrollBarWindow* host = nullptr;
  TWindowScrollBars* bars = BarsOf(hWnd, &host);
  if (!bars) return FALSE;
  SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE, nMinPos, nMaxPos, 0, 0, 0};
  const bool frame = bars->SetInfo(nBar, si);
  AfterChange(host, frame, bRedraw);
  return TRUE;
}

BOOL GetScrollRange(HWND hWnd, int nBar, LPINT lpMinPos, LPINT lpMaxPos) {
  if (!ValidBar(nBar) || !lpMinPos || !lpMaxPos) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  TWindowScrollBars* bars = BarsOf(hWnd);
  if (!bars) return FALSE;
  const TWindowScrollBars::TBar& b = bars->Bar(nBar);
  if (!b.Exists) {
    *lpMinPos = *lpMaxPos = 0;
    SetLastError(ERROR_NO_SCROLLBARS);
    return FALSE;
  }
  *lpMinPos = b.Min;
  *lpMaxPos = b.Max;
  return TRUE;
}

BOOL ShowScrollBar(HWND hWnd, int wBar, BOOL bShow) {
  if (!ValidBar(wBar) && wBar != SB_BOTH) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  TScrollBarWindow* host = nullptr;
  TWindowScrollBars* bars = BarsOf(hWnd, &host);
  if (!bars) return FALSE;
  bool frame = false;
  if (wBar == SB_HORZ || wBar == SB_BOTH) frame |= bars->Show(SB_HORZ, bShow != FALSE);
  if (wBar == SB_VERT || wBar == SB_BOTH) frame |= bars->Show(SB_VERT, bShow != FALSE);
  AfterChange(host, frame, false);
  return TRUE;
}

BOOL EnableScrollBar(HWND hWnd, UINT wSBflags, UINT wArrows) {
  const int bar = int(wSBflags);
  if ((!ValidBar(bar) && bar != SB_BOTH) || (wArrows & ~ESB_DISABLE_BOTH)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  TScrollBarWindow* host = nullptr;
  TWindowScrollBars* bars = BarsOf(hWnd, &host);
  if (!bars) return FALSE;
  bool changed = false;
  if (bar == SB_HORZ || bar == SB_BOTH) changed |= bars->Enable(SB_HORZ, wArrows);
  if (bar == SB_VERT || bar == SB_BOTH) changed |= bars->Enable(SB_VERT, wArrows);
  AfterChange(host, false, changed);
  return changed ? TRUE : FALSE;
}

int ScrollWindowEx(HWND hWnd, int dx, int dy, const RECT* prcScroll, const RECT* prcClip, HRGN hrgnUpdate,
                   LPRECT prcUpdate, UINT flags) {
  TWindowObject* window = FindWindowObject(hWnd);
  if (!window) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return SCROLL_ERROR;
  }
  RECT client{0, 0, 0, 0};
  GetClientRect(hWnd, &client);
  RECT area = prcScroll ? *prcScroll : client;
  IntersectRect(&area, &area, &client);
  if (prcClip) IntersectRect(&area, &area, prcClip);
  // The part that the moved content no longer covers.
  RECT moved = area;
  OffsetRect(&moved, dx, dy);
  IntersectRect(&moved, &moved, &area);
  const HRGN uncovered = CreateRectRgnIndirect(&area);
  const HRGN covered = CreateRectRgnIndirect(&moved);
  int kind = CombineRgn(uncovered, uncovered, covered, RGN_DIFF);
  DeleteObject(covered);
  if (hrgnUpdate) CombineRgn(hrgnUpdate, uncovered, nullptr, RGN_COPY);
  if (prcUpdate) {
    RECT box{0, 0, 0, 0};
    GetRgnBox(uncovered, &box);
    *prcUpdate = box;
  }
  DeleteObject(uncovered);
  if ((flags & SW_SCROLLCHILDREN) && (dx || dy))
    if (auto* host = dynamic_cast<TScrollBarWindow*>(window)) host->ScrollChildWindows(dx, dy, prcScroll);
  // The whole scrolled area is painted again from the window's content.
  if ((flags & SW_INVALIDATE) && !IsRectEmpty(&area) && (dx || dy)) window->InvalidateWindowRect(&area);
  switch (kind) {
    case NULLREGION: return SCROLL_NULLREGION;
    case SIMPLEREGION: return SCROLL_SIMPLEREGION;
    case COMPLEXREGION: return SCROLL_COMPLEXREGION;
    default: return SCROLL_ERROR;
  }
}

BOOL ScrollWindow(HWND hWnd, int XAmount, int YAmount, const RECT* lpRect, const RECT* lpClipRect) {
  const UINT flags = SW_INVALIDATE | SW_ERASE | (lpRect ? 0 : SW_SCROLLCHILDREN);
  return ScrollWindowEx(hWnd, XAmount, YAmount, lpRect, lpClipRect, nullptr, nullptr, flags) != SCROLL_ERROR;
}
