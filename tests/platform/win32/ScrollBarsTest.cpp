// Window scroll bars: range, page and position rules, showing and hiding
// with the client area, errors, thumb geometry, the mouse (arrows, track,
// thumb, repeat on the manual clock), painting and ScrollWindowEx.

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>
#include <vector>

#include "platform/win32/Gdi.h"
#include "platform/win32/Scheduler.h"
#include "platform/win32/ScrollBars.h"
#include "platform/win32/Theme.h"

namespace {

struct TScroll {
  UINT Msg;
  WORD Code;
  int Pos;
  bool operator==(const TScroll&) const = default;
};

std::ostream& operator<<(std::ostream& os, const TScroll& s) {
  return os << (s.Msg == WM_VSCROLL ? "V" : "H") << " code " << s.Code << " pos " << s.Pos;
}

// A window whose bars sit in a 200 x 150 widget with a 2-pixel border.
class TBarWindow : public TWindowObject, public TScrollBarWindow {
 public:
  TBarWindow() {
    FWidget.resize(200, 150);
    FHandle = AllocateWindowHandle(this, &FWidget);
    FBars = std::make_unique<TWindowScrollBars>(FHandle);
    WindowFrameChanged();
    FrameChanges = 0;
  }
  ~TBarWindow() override {
    FBars.reset();
    if (FHandle) ReleaseWindowHandle(FHandle);
  }
  HWND Handle() const { return FHandle; }
  TWindowScrollBars& Bars() { return *FBars; }

  LRESULT WindowMessage(UINT Msg, WPARAM wParam, LPARAM lParam) override {
    if (Msg == WM_HSCROLL || Msg == WM_VSCROLL) {
      Scrolls.push_back({Msg, LOWORD(DWORD(wParam)), int(SHORT(HIWORD(DWORD(wParam))))});
      if (OnScroll) OnScroll(Msg, LOWORD(DWORD(wParam)), HIWORD(DWORD(wParam)));
    }
    return 0;
  }
  QWidget* WindowWidget() const override { return const_cast<QWidget*>(&FWidget); }
  void InvalidateWindowRect(const RECT* Rect) override { Invalidated.push_back(Rect ? *Rect : RECT{-1, -1, -1, -1}); }
  void DestroyWindowObject() override {}
  RECT WindowClientArea() const override { return Client; }

  TWindowScrollBars* WindowScrollBars() override { return FBars.get(); }
  void WindowFrameChanged() override {
    ++FrameChanges;
    Client = FBars->CalcClientArea(RECT{2, 2, 198, 148});
  }
  void RedrawFrame() override { ++Redraws; }
  void ScrollChildWindows(int DX, int DY, const RECT* Area) override {
    ChildScrolls.push_back({DX, DY, Area != nullptr});
  }

  std::vector<TScroll> Scrolls;
  std::function<void(UINT, WORD, WORD)> OnScroll;
  std::vector<RECT> Invalidated;
  struct TChildScroll {
    int DX, DY;
    bool WithArea;
  };
  std::vector<TChildScroll> ChildScrolls;
  RECT Client{};
  int FrameChanges = 0;
  int Redraws = 0;

 private:
  QWidget FWidget;
  HWND FHandle = nullptr;
  std::unique_ptr<TWindowScrollBars> FBars;
};

// A window without bars of its own.
class TPlainWindow : public TWindowObject {
 public:
  TPlainWindow() { FHandle = AllocateWindowHandle(this, &FWidget); }
  ~TPlainWindow() override { ReleaseWindowHandle(FHandle); }
  HWND Handle() const { return FHandle; }
  LRESULT WindowMessage(UINT, WPARAM, LPARAM) override { return 0; }
  QWidget* WindowWidget() const override { return const_cast<QWidget*>(&FWidget); }
  void InvalidateWindowRect(const RECT*) override {}
  void DestroyWindowObject() override {}

 private:
  QWidget FWidget;
  HWND FHandle = nullptr;
};

SCROLLINFO Info(UINT Mask, int Min = 0, int Max = 0, UINT Page = 0, int Pos = 0) {
  return SCROLLINFO{sizeof(SCROLLINFO), Mask, Min, Max, Page, Pos, 0};
}

SCROLLINFO Read(HWND h, int Bar) {
  SCROLLINFO si = Info(SIF_ALL);
  EXPECT_TRUE(GetScrollInfo(h, Bar, &si));
  return si;
}

class ManualClock {
 public:
  ManualClock() { TScheduler::Instance().UseManualClock(5000); }
  ~ManualClock() { TScheduler::Instance().UseRealClock(); }
  void Advance(uint64_t Ms) { TScheduler::Instance().Advance(Ms); }
};

}  // namespace

// --- range, page, position, visibility --------------------------------------

TEST(ScrollBars, SetScrollInfoClampsAndShowsOnlyANeededBar) {
  struct TCase {
    const char* Name;
    SCROLLINFO In;
    int Answer;  // SetScrollInfo's answer: the new position
    int Min, Max;
    UINT Page;
    int Pos;
    bool Visible;
    bool Disabled;
  };
  const TCase cases[] = {
      {"range and position", Info(SIF_RANGE | SIF_POS, 0, 127, 0, 40), 40, 0, 127, 0, 40, true, false},
      {"position above the range", Info(SIF_RANGE | SIF_POS, 0, 127, 0, 500), 127, 0, 127, 0, 127, true, false},
      {"position below the range", Info(SIF_RANGE | SIF_POS, 10, 20, 0, -5), 10, 10, 20, 0, 10, true, false},
      {"page limits the last position", Info(SIF_ALL, 0, 99, 10, 95), 90, 0, 99, 10, 90, true, false},
      {"page larger than the range", Info(SIF_ALL, 0, 9, 50, 3), 0, 0, 9, 10, 0, false, false},
      {"page equal to the range: not needed", Info(SIF_ALL, 0, 9, 10, 0), 0, 0, 9, 10, 0, false, false},
      {"page one short: needed", Info(SIF_ALL, 0, 9, 9, 5), 1, 0, 9, 9, 1, true, false},
      {"max below min", Info(SIF_RANGE | SIF_POS, 50, 10, 0, 30), 50, 50, 50, 0, 50, false, false},
      {"empty range hidden", Info(SIF_RANGE, 0, 0), 0, 0, 0, 0, 0, false, false},
      {"empty range kept disabled", Info(SIF_RANGE | SIF_DISABLENOSCROLL, 0, 0), 0, 0, 0, 0, 0, true, true},
      {"negative range", Info(SIF_RANGE | SIF_POS, -100, -1, 0, -50), -50, -100, -1, 0, -50, true, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TBarWindow w;
    EXPECT_EQ(SetScrollInfo(w.Handle(), SB_VERT, &c.In, TRUE), c.Answer);
    const SCROLLINFO si = Read(w.Handle(), SB_VERT);
    EXPECT_EQ(si.nMin, c.Min);
    EXPECT_EQ(si.nMax, c.Max);
    EXPECT_EQ(si.nPage, c.Page);
    EXPECT_EQ(si.nPos, c.Pos);
    EXPECT_EQ(si.nTrackPos, c.Pos);
    EXPECT_EQ(w.Bars().IsVisible(SB_VERT), c.Visible);
    EXPECT_EQ(w.Bars().IsDisabled(SB_VERT), c.Disabled);
    EXPECT_EQ(w.FrameChanges, c.Visible ? 1 : 0);
    // A shown vertical bar takes its width from the client area.
    EXPECT_EQ(w.Client.right, c.Visible ? 198 - GetSystemMetrics(SM_CXVSCROLL) : 198);
  }
}

TEST(ScrollBars, PositionAloneNeverShowsOrHidesAndRangeTogglesVisibility) {
  TBarWindow w;
  const HWND h = w.Handle();
  ASSERT_TRUE(SetScrollRange(h, SB_HORZ, 0, 127, TRUE));
  EXPECT_TRUE(w.Bars().IsVisible(SB_HORZ));
  EXPECT_EQ(w.Client.bottom, 148 - GetSystemMetrics(SM_CYHSCROLL));
  EXPECT_EQ(SetScrollPos(h, SB_HORZ, 64, TRUE), 0);    // answers the previous position
  EXPECT_EQ(SetScrollPos(h, SB_HORZ, 1000, TRUE), 64);  // clamped to 127
  EXPECT_EQ(GetScrollPos(h, SB_HORZ), 127);
  int lo = -1, hi = -1;
  EXPECT_TRUE(GetScrollRange(h, SB_HORZ, &lo, &hi));
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, 127);
  // Hiding by an empty range gives the height back; the position survives.
  ASSERT_TRUE(SetScrollRange(h, SB_HORZ, 0, 0, TRUE));
  EXPECT_FALSE(w.Bars().IsVisible(SB_HORZ));
  EXPECT_EQ(w.Client.bottom, 148);
  EXPECT_EQ(GetScrollPos(h, SB_HORZ), 0);
  // ShowScrollBar shows a bar whatever its range; SB_BOTH works on both.
  const int before = w.FrameChanges;
  EXPECT_TRUE(ShowScrollBar(h, SB_BOTH, TRUE));
  EXPECT_TRUE(w.Bars().IsVisible(SB_HORZ));
  EXPECT_TRUE(w.Bars().IsVisible(SB_VERT));
  EXPECT_EQ(w.FrameChanges, before + 1);
  EXPECT_EQ(w.Client.right, 198 - GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_TRUE(ShowScrollBar(h, SB_BOTH, TRUE));
  EXPECT_EQ(w.FrameChanges, before + 1);  // nothing changed
  EXPECT_TRUE(ShowScrollBar(h, SB_VERT, FALSE));
  EXPECT_EQ(w.Client.right, 198);
}

TEST(ScrollBars, EnableScrollBarAnswersWhetherTheArrowsChanged) {
  TBarWindow w;
  SetScrollRange(w.Handle(), SB_VERT, 0, 10, TRUE);
  EXPECT_TRUE(EnableScrollBar(w.Handle(), SB_VERT, ESB_DISABLE_BOTH));
  EXPECT_TRUE(w.Bars().IsDisabled(SB_VERT));
  EXPECT_FALSE(EnableScrollBar(w.Handle(), SB_VERT, ESB_DISABLE_BOTH));
  // A disabled bar shows no thumb and ignores the mouse.
  const RECT thumb = w.Bars().Layout(SB_VERT).Thumb;
  EXPECT_TRUE(IsRectEmpty(&thumb));
  const RECT bar = w.Bars().BarRect(SB_VERT);
  EXPECT_FALSE(w.Bars().BeginTrack(SB_VERT, POINT{bar.left + 5, bar.top + 5}));
  EXPECT_TRUE(w.Scrolls.empty());
  EXPECT_TRUE(EnableScrollBar(w.Handle(), SB_VERT, ESB_ENABLE_BOTH));
  EXPECT_FALSE(w.Bars().IsDisabled(SB_VERT));
}

TEST(ScrollBars, BadCallsFailWithTheWin32Errors) {
  TBarWindow w;
  TPlainWindow plain;
  const HWND h = w.Handle();
  SCROLLINFO si = Info(SIF_ALL, 0, 10);
  struct TCase {
    const char* Name;
    std::function<bool()> Call;  // true when the call reported failure
    DWORD Error;
  };
  const TCase cases[] = {
      {"no window", [&] { return SetScrollInfo(nullptr, SB_VERT, &si, TRUE) == 0; }, 1400},
      {"stale handle", [&] {
         HWND stale;
         {
           TPlainWindow gone;
           stale = gone.Handle();
         }
         return GetScrollPos(stale, SB_VERT) == 0;
       }, 1400},
      {"bad bar", [&] { return SetScrollInfo(h, 7, &si, TRUE) == 0; }, ERROR_INVALID_PARAMETER},
      {"SB_CTL", [&] { return !GetScrollInfo(h, SB_CTL, &si); }, ERROR_INVALID_PARAMETER},
      {"null info", [&] { return SetScrollInfo(h, SB_VERT, nullptr, TRUE) == 0; }, ERROR_INVALID_PARAMETER},
      {"bad size", [&] {
         SCROLLINFO bad = si;
         bad.cbSize = 3;
         return SetScrollInfo(h, SB_VERT, &bad, TRUE) == 0;
       }, ERROR_INVALID_PARAMETER},
      {"unknown mask bits", [&] {
         SCROLLINFO bad = si;
         bad.fMask |= 0x100;
         return SetScrollInfo(h, SB_VERT, &bad, TRUE) == 0;
       }, ERROR_INVALID_PARAMETER},
      {"no mask to read", [&] {
         SCROLLINFO read = Info(0);
         return !GetScrollInfo(h, SB_VERT, &read);
       }, ERROR_INVALID_PARAMETER},
      {"range too wide", [&] {
         SCROLLINFO wide = Info(SIF_RANGE, -2, 0x7FFFFFFF);
         return SetScrollInfo(h, SB_VERT, &wide, TRUE) == 0;
       }, ERROR_INVALID_SCROLLBAR_RANGE},
      {"reversed range", [&] { return !SetScrollRange(h, SB_VERT, 10, 5, TRUE); }, ERROR_INVALID_SCROLLBAR_RANGE},
      {"window without bars", [&] { return !ShowScrollBar(plain.Handle(), SB_VERT, TRUE); }, ERROR_NO_SCROLLBARS},
      {"bar never set", [&] {
         SCROLLINFO read = Info(SIF_ALL);
         return !GetScrollInfo(h, SB_HORZ, &read);
       }, ERROR_NO_SCROLLBARS},
      {"range pointers missing", [&] { return !GetScrollRange(h, SB_VERT, nullptr, nullptr); },
       ERROR_INVALID_PARAMETER},
      {"bad arrows", [&] { return !EnableScrollBar(h, SB_VERT, 8); }, ERROR_INVALID_PARAMETER},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    SetLastError(0);
    EXPECT_TRUE(c.Call());
    EXPECT_EQ(GetLastError(), c.Error);
  }
  // Nothing of that reached the bars.
  EXPECT_FALSE(w.Bars().Bar(SB_VERT).Exists);
  EXPECT_EQ(w.FrameChanges, 0);
}

// --- geometry -----------------------------------------------------------------

TEST(ScrollBars, ThumbGeometryFollowsRangePageAndPosition) {
  const int thick = GetSystemMetrics(SM_CXVSCROLL);
  // The vertical bar runs from 2 to 148: 146 long, arrows of 17, track 112.
  const int track = 146 - 2 * thick;
  struct TCase {
    const char* Name;
    SCROLLINFO In;
    int ThumbTop;     // relative to the track's top
    int ThumbLength;  // 0: no thumb
  };
  const TCase cases[] = {
      {"no page, first position", Info(SIF_RANGE | SIF_POS, 0, 127, 0, 0), 0, thick},
      {"no page, last position", Info(SIF_RANGE | SIF_POS, 0, 127, 0, 127), track - thick, thick},
      {"no page, middle", Info(SIF_RANGE | SIF_POS, 0, 100, 0, 50), MulDiv(track - thick, 50, 100), thick},
      {"page is half the range", Info(SIF_ALL, 0, 99, 50, 0), 0, track / 2},
      {"page at the end", Info(SIF_ALL, 0, 99, 50, 50), track - track / 2, track / 2},
      {"tiny page: minimum thumb", Info(SIF_ALL, 0, 9999, 1, 0), 0, 8},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TBarWindow w;
    SetScrollInfo(w.Handle(), SB_VERT, &c.In, TRUE);
    const TWindowScrollBars::TLayout l = w.Bars().Layout(SB_VERT);
    EXPECT_EQ(l.ArrowLow.bottom - l.ArrowLow.top, thick);
    EXPECT_EQ(l.Track.bottom - l.Track.top, track);
    EXPECT_EQ(l.Thumb.top - l.Track.top, c.ThumbTop);
    EXPECT_EQ(l.Thumb.bottom - l.Thumb.top, c.ThumbLength);
    // The parts under points of the bar.
    const int x = l.Track.left + 3;
    EXPECT_EQ(w.Bars().PartAt(SB_VERT, POINT{x, l.ArrowLow.top + 2}), TWindowScrollBars::spArrowLow);
    EXPECT_EQ(w.Bars().PartAt(SB_VERT, POINT{x, l.ArrowHigh.bottom - 2}), TWindowScrollBars::spArrowHigh);
    EXPECT_EQ(w.Bars().PartAt(SB_VERT, POINT{x, l.Thumb.top + 2}), TWindowScrollBars::spThumb);
    EXPECT_EQ(w.Bars().HitTest(POINT{x, l.Thumb.top}), HTVSCROLL);
    EXPECT_EQ(w.Bars().HitTest(POINT{50, 50}), HTCLIENT);
  }
}

TEST(ScrollBars, ABarTooShortForItsArrowsShowsNoThumbAndTheCornerIsDead) {
  TBarWindow w;
  ShowScrollBar(w.Handle(), SB_BOTH, TRUE);
  SCROLLINFO si = Info(SIF_RANGE, 0, 10);
  SetScrollInfo(w.Handle(), SB_VERT, &si, TRUE);
  // A frame only 30 pixels high: the vertical bar is 13 long.
  w.Client = w.Bars().CalcClientArea(RECT{2, 2, 198, 32});
  const TWindowScrollBars::TLayout l = w.Bars().Layout(SB_VERT);
  EXPECT_EQ(l.ArrowLow.bottom - l.ArrowLow.top, 6);
  EXPECT_TRUE(IsRectEmpty(&l.Thumb));
  EXPECT_EQ(w.Client.bottom, 32 - GetSystemMetrics(SM_CYHSCROLL));
  // Lower than a bar: no client height left, never a negative one.
  w.Client = w.Bars().CalcClientArea(RECT{2, 2, 198, 12});
  EXPECT_EQ(w.Client.bottom, 2);
  w.Client = w.Bars().CalcClientArea(RECT{2, 2, 198, 32});
  const RECT v = w.Bars().BarRect(SB_VERT);
  const RECT hbar = w.Bars().BarRect(SB_HORZ);
  EXPECT_EQ(w.Bars().HitTest(POINT{v.left + 2, hbar.top + 2}), HTNOWHERE);
}

// --- mouse --------------------------------------------------------------------

TEST(ScrollBars, ArrowPressScrollsAtOnceThenRepeatsWhileHeld) {
  ManualClock clock;
  TBarWindow w;
  SetScrollRange(w.Handle(), SB_VERT, 0, 127, TRUE);
  const TWindowScrollBars::TLayout l = w.Bars().Layout(SB_VERT);
  const POINT down{l.ArrowHigh.left + 4, l.ArrowHigh.top + 4};
  ASSERT_TRUE(w.Bars().BeginTrack(SB_VERT, down));
  EXPECT_EQ(w.Scrolls, (std::vector<TScroll>{{WM_VSCROLL, SB_LINEDOWN, 0}}));
  clock.Advance(399);
  EXPECT_EQ(w.Scrolls.size(), 1u);
  clock.Advance(1);  // first repeat at 400 ms
  EXPECT_EQ(w.Scrolls.size(), 2u);
  clock.Advance(100);  // then every 50 ms
  EXPECT_EQ(w.Scrolls.size(), 4u);
  // Off the arrow it pauses; back on, it goes on.
  w.Bars().TrackMouse(POINT{down.x, l.Track.top + 3}, false);
  clock.Advance(200);
  EXPECT_EQ(w.Scrolls.size(), 4u);
  w.Bars().TrackMouse(down, false);
  clock.Advance(50);
  EXPECT_EQ(w.Scrolls.size(), 5u);
  w.Bars().TrackMouse(down, true);
  EXPECT_EQ(w.Scrolls.back(), (TScroll{WM_VSCROLL, SB_ENDSCROLL, 0}));
  EXPECT_FALSE(w.Bars().Tracking());
  const size_t n = w.Scrolls.size();
  clock.Advance(1000);
  EXPECT_EQ(w.Scrolls.size(), n);  // no timer left
}

TEST(ScrollBars, TrackPressPagesUntilTheThumbReachesThePointer) {
  ManualClock clock;
  TBarWindow w;
  SCROLLINFO si = Info(SIF_ALL, 0, 99, 20, 0);
  SetScrollInfo(w.Handle(), SB_HORZ, &si, TRUE);
  // The window pages as a grid does: 20 positions a page.
  w.OnScroll = [&](UINT, WORD code, WORD) {
    if (code == SB_PAGEDOWN) SetScrollPos(w.Handle(), SB_HORZ, GetScrollPos(w.Handle(), SB_HORZ) + 20, TRUE);
  };
  const TWindowScrollBars::TLayout l = w.Bars().Layout(SB_HORZ);
  const POINT target{l.Track.right - 30, l.Track.top + 5};
  ASSERT_TRUE(w.Bars().BeginTrack(SB_HORZ, target));
  clock.Advance(2000);
  // Paging stopped once the thumb lay under the pointer.
  EXPECT_EQ(w.Bars().PartAt(SB_HORZ, target), TWindowScrollBars::spThumb);
  const int pages = int(w.Scrolls.size());
  EXPECT_GE(pages, 2);
  for (const TScroll& s : w.Scrolls) EXPECT_EQ(s, (TScroll{WM_HSCROLL, SB_PAGEDOWN, 0}));
  w.Bars().TrackMouse(target, true);
  EXPECT_EQ(w.Scrolls.back().Code, SB_ENDSCROLL);
}

TEST(ScrollBars, DraggingTheThumbTracksThenPositionsThenEnds) {
  TBarWindow w;
  SetScrollRange(w.Handle(), SB_VERT, 0, 127, TRUE);
  const TWindowScrollBars::TLayout l = w.Bars().Layout(SB_VERT);
  const int x = l.Thumb.left + 5;
  const int grab = l.Thumb.top + 5;
  int trackPosSeen = -1;
  w.OnScroll = [&](UINT, WORD code, WORD) {
    if (code != SB_THUMBTRACK) return;
    SCROLLINFO si = Info(SIF_TRACKPOS | SIF_POS);
    GetScrollInfo(w.Handle(), SB_VERT, &si);
    trackPosSeen = si.nTrackPos;
    EXPECT_EQ(si.nPos, 0);  // the position moves only when the window sets it
  };
  ASSERT_TRUE(w.Bars().BeginTrack(SB_VERT, POINT{x, grab}));
  EXPECT_TRUE(w.Scrolls.empty());  // a press alone sends nothing
  const int travel = (l.Track.bottom - l.Track.top) - (l.Thumb.bottom - l.Thumb.top);
  w.Bars().TrackMouse(POINT{x, grab + travel / 2}, false);
  ASSERT_EQ(w.Scrolls.size(), 1u);
  EXPECT_EQ(w.Scrolls[0].Code, SB_THUMBTRACK);
  EXPECT_NEAR(w.Scrolls[0].Pos, 64, 1);
  EXPECT_EQ(trackPosSeen, w.Scrolls[0].Pos);
  // Far beyond the end: the last position, once.
  w.Bars().TrackMouse(POINT{x, grab + 5000}, false);
  w.Bars().TrackMouse(POINT{x, grab + 6000}, true);
  ASSERT_EQ(w.Scrolls.size(), 4u);
  EXPECT_EQ(w.Scrolls[1], (TScroll{WM_VSCROLL, SB_THUMBTRACK, 127}));
  EXPECT_EQ(w.Scrolls[2], (TScroll{WM_VSCROLL, SB_THUMBPOSITION, 127}));
  EXPECT_EQ(w.Scrolls[3], (TScroll{WM_VSCROLL, SB_ENDSCROLL, 0}));
  EXPECT_EQ(GetScrollPos(w.Handle(), SB_VERT), 0);
}

TEST(ScrollBars, HidingATrackedBarEndsTheTracking) {
  ManualClock clock;
  TBarWindow w;
  SetScrollRange(w.Handle(), SB_VERT, 0, 127, TRUE);
  const TWindowScrollBars::TLayout l = w.Bars().Layout(SB_VERT);
  ASSERT_TRUE(w.Bars().BeginTrack(SB_VERT, POINT{l.ArrowLow.left + 3, l.ArrowLow.top + 3}));
  ShowScrollBar(w.Handle(), SB_VERT, FALSE);
  EXPECT_FALSE(w.Bars().Tracking());
  const size_t n = w.Scrolls.size();
  clock.Advance(1000);
  EXPECT_EQ(w.Scrolls.size(), n);
}

// --- painting -------------------------------------------------------------------

TEST(ScrollBars, PaintingShowsArrowsTrackAndThumbInsideTheBar) {
  for (bool themed : {true, false}) {
    SCOPED_TRACE(themed ? "themed" : "classic");
    SetThemeActive(themed);
    TBarWindow w;
    SCROLLINFO si = Info(SIF_ALL, 0, 99, 25, 0);
    SetScrollInfo(w.Handle(), SB_VERT, &si, TRUE);
    QImage image(200, 150, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::magenta);
    HDC dc = CreateImageDC(&image);
    w.Bars().Paint(dc);
    DeleteDC(dc);
    const TWindowScrollBars::TLayout l = w.Bars().Layout(SB_VERT);
    const RECT bar = w.Bars().BarRect(SB_VERT);
    // Every pixel of the bar was painted, nothing outside it.
    int untouched = 0;
    for (int y = bar.top; y < bar.bottom; ++y)
      for (int x = bar.left; x < bar.right; ++x) untouched += image.pixel(x, y) == QColor(Qt::magenta).rgba();
    EXPECT_EQ(untouched, 0);
    EXPECT_EQ(image.pixel(bar.left - 1, 50), QColor(Qt::magenta).rgba());
    // The thumb looks different from the track below it.
    const int cx = (bar.left + bar.right) / 2;
    EXPECT_NE(image.pixel(cx, (l.Thumb.top + l.Thumb.bottom) / 2), image.pixel(cx, l.Track.bottom - 3));
  }
  SetThemeActive(TRUE);
}

// --- ScrollWindowEx ----------------------------------------------------------------

TEST(ScrollBars, ScrollWindowExReportsTheUncoveredPartAndRepaintsTheArea) {
  TBarWindow w;
  // The client area is 196 x 146 (inside the border, no bars).
  struct TCase {
    const char* Name;
    int DX, DY;
    const RECT* Scroll;
    RECT Update;
    int Kind;
  };
  const RECT part{10, 10, 110, 60};
  const TCase cases[] = {
      {"down by 20", 0, 20, nullptr, {0, 0, 196, 20}, SCROLL_SIMPLEREGION},
      {"left by 30", -30, 0, nullptr, {166, 0, 196, 146}, SCROLL_SIMPLEREGION},
      {"part, right by 10", 10, 0, &part, {10, 10, 20, 60}, SCROLL_SIMPLEREGION},
      {"diagonal", 10, 10, &part, {10, 10, 110, 60}, SCROLL_COMPLEXREGION},
      {"nothing", 0, 0, nullptr, {0, 0, 0, 0}, SCROLL_NULLREGION},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    w.Invalidated.clear();
    RECT update{-1, -1, -1, -1};
    EXPECT_EQ(ScrollWindowEx(w.Handle(), c.DX, c.DY, c.Scroll, nullptr, nullptr, &update, SW_INVALIDATE), c.Kind);
    EXPECT_EQ(update.left, c.Update.left);
    EXPECT_EQ(update.top, c.Update.top);
    EXPECT_EQ(update.right, c.Update.right);
    EXPECT_EQ(update.bottom, c.Update.bottom);
    EXPECT_EQ(w.Invalidated.size(), (c.DX || c.DY) ? 1u : 0u);
  }
  // Without SW_INVALIDATE nothing repaints; ScrollWindow moves the children
  // only when it scrolls the whole client area.
  w.Invalidated.clear();
  ScrollWindowEx(w.Handle(), 5, 0, nullptr, nullptr, nullptr, nullptr, 0);
  EXPECT_TRUE(w.Invalidated.empty());
  EXPECT_TRUE(ScrollWindow(w.Handle(), 0, 7, nullptr, nullptr));
  EXPECT_TRUE(ScrollWindow(w.Handle(), 0, 7, &part, nullptr));
  ASSERT_EQ(w.ChildScrolls.size(), 1u);
  EXPECT_EQ(w.ChildScrolls[0].DY, 7);
  EXPECT_FALSE(w.ChildScrolls[0].WithArea);
  EXPECT_EQ(ScrollWindowEx(nullptr, 1, 1, nullptr, nullptr, nullptr, nullptr, 0), SCROLL_ERROR);
}
