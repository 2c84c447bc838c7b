// The track bar.

#include "platform/vcl/ComCtrlsTrackBar.h"

#include <algorithm>
#include <cmath>

#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/Themes.h"
#include "platform/win32/Gdi.h"

namespace {

RECT ToRECT(const TRect& R) { return RECT{R.Left, R.Top, R.Right, R.Bottom}; }

// A rectangle given along and across the channel, for either orientation.
TRect Oriented(bool Horizontal, int AlongFrom, int AcrossFrom, int AlongTo, int AcrossTo) {
  return Horizontal ? TRect(AlongFrom, AcrossFrom, AlongTo, AcrossTo) : TRect(AcrossFrom, AlongFrom, AcrossTo, AlongTo);
}

}  // namespace

TTrackBar::TTrackBar(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks};
  FWidth = 150;
  FHeight = 45;
  FTabStop = true;
  FStyleListener = TStyleManager::AddStyleChangeListener([this] { Invalidate(); });
}

TTrackBar::~TTrackBar() {
  Destroying();
  StopPaging();
  TStyleManager::RemoveStyleChangeListener(FStyleListener);
}

TF_MESSAGE_MAP(TTrackBar, TWinControl) {
  return {
      TF_MESSAGE(TBM_GETPOS, TBMGet),
      TF_MESSAGE(TBM_GETRANGEMIN, TBMGet),
      TF_MESSAGE(TBM_GETRANGEMAX, TBMGet),
      TF_MESSAGE(TBM_GETTIC, TBMGet),
      TF_MESSAGE(TBM_GETTICPOS, TBMGet),
      TF_MESSAGE(TBM_GETNUMTICS, TBMGet),
      TF_MESSAGE(TBM_GETSELSTART, TBMGet),
      TF_MESSAGE(TBM_GETSELEND, TBMGet),
      TF_MESSAGE(TBM_GETPAGESIZE, TBMGet),
      TF_MESSAGE(TBM_GETLINESIZE, TBMGet),
      TF_MESSAGE(TBM_GETTHUMBLENGTH, TBMGet),
      TF_MESSAGE(TBM_SETPOS, TBMSetPos),
      TF_MESSAGE(TBM_SETRANGE, TBMSetRange),
      TF_MESSAGE(TBM_SETRANGEMIN, TBMSetRangeMin),
      TF_MESSAGE(TBM_SETRANGEMAX, TBMSetRangeMax),
      TF_MESSAGE(TBM_SETTICFREQ, TBMSetTicFreq),
      TF_MESSAGE(TBM_SETPAGESIZE, TBMSetPageSize),
      TF_MESSAGE(TBM_SETLINESIZE, TBMSetLineSize),
      TF_MESSAGE(TBM_SETSEL, TBMSetSel),
      TF_MESSAGE(TBM_SETSELSTART, TBMSetSelStart),
      TF_MESSAGE(TBM_SETSELEND, TBMSetSelEnd),
      TF_MESSAGE(TBM_CLEARSEL, TBMClearSel),
      TF_MESSAGE(TBM_SETTIC, TBMSetTic),
      TF_MESSAGE(TBM_CLEARTICS, TBMClearTics),
      TF_MESSAGE(TBM_SETTHUMBLENGTH, TBMSetThumbLength),
      TF_MESSAGE(TBM_GETTHUMBRECT, TBMGetRect),
      TF_MESSAGE(TBM_GETCHANNELRECT, TBMGetRect),
      TF_MESSAGE(CN_HSCROLL, CNScroll),
      TF_MESSAGE(CN_VSCROLL, CNScroll),
      TF_MESSAGE(WM_GETDLGCODE, WMGetDlgCode),
      TF_MESSAGE(WM_KEYDOWN, WMKeyDown),
      TF_MESSAGE(WM_KEYUP, WMKeyUp),
      TF_MESSAGE(WM_SETFOCUS, WMSetFocus),
      TF_MESSAGE(WM_KILLFOCUS, WMKillFocus),
      TF_MESSAGE(CM_ENABLEDCHANGED, CMEnabledChanged),
  };
}

// --- properties ------------------------------------------------------------------

void TTrackBar::SetOrientation(TTrackBarOrientation Value) {
  if (FOrientation == Value) return;
  FOrientation = Value;
  SetBounds(FLeft, FTop, FHeight, FWidth);
  Invalidate();
}

void TTrackBar::SetTickMarks(TTickMark Value) {
  if (FTickMarks == Value) return;
  FTickMarks = Value;
  Invalidate();
}

void TTrackBar::SetTickStyle(TTickStyle Value) {
  if (FTickStyle == Value) return;
  FTickStyle = Value;
  Invalidate();
}

void TTrackBar::SetShowSelRange(bool Value) {
  if (FShowSelRange == Value) return;
  FShowSelRange = Value;
  Invalidate();
}

void TTrackBar::SetSliderVisible(bool Value) {
  if (FSliderVisible == Value) return;
  FSliderVisible = Value;
  Invalidate();
}

void TTrackBar::Changed() {
  if (OnChange) OnChange(this);
}

bool TTrackBar::Loading() const { return ComponentState().Contains(csLoading); }

void TTrackBar::Loaded() {
  TCustomControl::Loaded();
  // Properties read in any order: a range read upside down keeps its
  // minimum.
  if (FMax < FMin) FMax = FMin;
  ChangePosition(FPosition);
}

void TTrackBar::ChangePosition(int Value) {
  if (Loading()) {
    FPosition = FReported = Value;
    return;
  }
  FPosition = std::clamp(Value, FMin, FMax);
  Invalidate();
  if (FPosition != FReported) {
    FReported = FPosition;
    Changed();
  }
}

// --- messages --------------------------------------------------------------------

void TTrackBar::TBMGet(TMessage& Message) {
  switch (Message.Msg) {
    case TBM_GETPOS: Message.Result = FPosition; break;
    case TBM_GETRANGEMIN: Message.Result = FMin; break;
    case TBM_GETRANGEMAX: Message.Result = FMax; break;
    case TBM_GETSELSTART: Message.Result = FSelStart; break;
    case TBM_GETSELEND: Message.Result = FSelEnd; break;
    case TBM_GETPAGESIZE: Message.Result = FPageSize; break;
    case TBM_GETLINESIZE: Message.Result = FLineSize; break;
    case TBM_GETTHUMBLENGTH: Message.Result = FThumbLength; break;
    case TBM_GETNUMTICS: Message.Result = TickPositions().size(); break;
    case TBM_GETTIC: {
      // The ticks between the ends, in order (the ends themselves are not
      // counted here, as on Win32).
      QList<int> inner = TickPositions();
      inner.removeAll(FMin);
      inner.removeAll(FMax);
      const int i = int(Message.WParam);
      Message.Result = i >= 0 && i < inner.size() ? inner[i] : -1;
      break;
    }
    case TBM_GETTICPOS: {
      QList<int> inner = TickPositions();
      inner.removeAll(FMin);
      inner.removeAll(FMax);
      const int i = int(Message.WParam);
      Message.Result = i >= 0 && i < inner.size() ? PositionToPixel(inner[i]) : -1;
      break;
    }
    default: break;
  }
}

void TTrackBar::TBMSetPos(TMessage& Message) { ChangePosition(int(Message.LParam)); }

void TTrackBar::TBMSetRange(TMessage& Message) {
  const int lo = SHORT(Message.LParamLo()), hi = SHORT(Message.LParamHi());
  if (hi < lo && !Loading()) return;
  FMin = lo;
  FMax = hi;
  ChangePosition(FPosition);
}

void TTrackBar::TBMSetRangeMin(TMessage& Message) {
  const int value = int(Message.LParam);
  if (value > FMax && !Loading()) return;
  FMin = value;
  ChangePosition(FPosition);
}

void TTrackBar::TBMSetRangeMax(TMessage& Message) {
  const int value = int(Message.LParam);
  if (value < FMin && !Loading()) return;
  FMax = value;
  ChangePosition(FPosition);
}

void TTrackBar::TBMSetTicFreq(TMessage& Message) {
  FFrequency = int(Message.WParam);
  Invalidate();
}

void TTrackBar::TBMSetPageSize(TMessage& Message) {
  Message.Result = FPageSize;
  FPageSize = int(Message.LParam);
}

void TTrackBar::TBMSetLineSize(TMessage& Message) {
  Message.Result = FLineSize;
  FLineSize = int(Message.LParam);
}

void TTrackBar::TBMSetSel(TMessage& Message) {
  FSelStart = SHORT(Message.LParamLo());
  FSelEnd = SHORT(Message.LParamHi());
  Invalidate();
}

void TTrackBar::TBMSetSelStart(TMessage& Message) {
  FSelStart = int(Message.LParam);
  Invalidate();
}

void TTrackBar::TBMSetSelEnd(TMessage& Message) {
  FSelEnd = int(Message.LParam);
  Invalidate();
}

void TTrackBar::TBMClearSel(TMessage&) {
  FSelStart = FSelEnd = 0;
  Invalidate();
}

void TTrackBar::TBMSetTic(TMessage& Message) {
  const int value = int(Message.LParam);
  if (value < FMin || value > FMax) {
    Message.Result = FALSE;
    return;
  }
  if (!FTicks.contains(value)) FTicks.append(value);
  std::sort(FTicks.begin(), FTicks.end());
  Message.Result = TRUE;
  Invalidate();
}

void TTrackBar::TBMClearTics(TMessage&) {
  FTicks.clear();
  Invalidate();
}

void TTrackBar::TBMSetThumbLength(TMessage& Message) {
  FThumbLength = std::max(int(Message.WParam), 4);
  Invalidate();
}

void TTrackBar::TBMGetRect(TMessage& Message) {
  auto* r = reinterpret_cast<RECT*>(Message.LParam);
  if (!r) return;
  *r = ToRECT(Message.Msg == TBM_GETTHUMBRECT ? ThumbRect() : ChannelRect());
}

// --- geometry ----------------------------------------------------------------------

int TTrackBar::FirstPixel() const { return 8 + ThumbWidth() / 2; }

int TTrackBar::LastPixel() const {
  const int length = Horizontal() ? ClientWidth() : ClientHeight();
  return std::max(FirstPixel(), length - 8 - ThumbWidth() / 2 - 1);
}

int TTrackBar::ThumbTop() const {
  const int across = Horizontal() ? ClientHeight() : ClientWidth();
  switch (FTickMarks) {
    case tmBottomRight: return 8;
    case tmTopLeft: return std::max(0, across - 8 - FThumbLength);
    case tmBoth: return std::max(0, (across - FThumbLength) / 2);
  }
  return 8;
}

int TTrackBar::PositionToPixel(int Value) const {
  const int range = FMax - FMin;
  if (range <= 0) return FirstPixel();
  const double share = double(std::clamp(Value, FMin, FMax) - FMin) / range;
  return FirstPixel() + int(std::lround(share * (LastPixel() - FirstPixel())));
}

int TTrackBar::PixelToPosition(int Pixel) const {
  const int span = LastPixel() - FirstPixel();
  if (span <= 0 || FMax <= FMin) return FMin;
  const double share = double(Pixel - FirstPixel()) / span;
  return std::clamp(FMin + int(std::lround(share * (FMax - FMin))), FMin, FMax);
}

TRect TTrackBar::ChannelRect() const {
  const int length = Horizontal() ? ClientWidth() : ClientHeight();
  const int centre = ThumbTop() + FThumbLength / 2;
  return Oriented(Horizontal(), 8, centre - 2, std::max(8, length - 8), centre + 2);
}

TRect TTrackBar::ThumbRect() const {
  const int c = PositionToPixel(FPosition);
  const int from = c - ThumbWidth() / 2;
  const int top = ThumbTop();
  return Oriented(Horizontal(), from, top, from + ThumbWidth(), top + FThumbLength);
}

QList<int> TTrackBar::TickPositions() const {
  QList<int> ticks;
  if (FTickStyle == tsNone) return ticks;
  ticks << FMin;
  if (FTickStyle == tsAuto) {
    if (FFrequency > 0)
      for (qint64 v = qint64(FMin) + FFrequency; v < FMax; v += FFrequency) ticks << int(v);
  } else {
    for (int v : FTicks)
      if (v > FMin && v < FMax) ticks << v;
  }
  if (FMax != FMin) ticks << FMax;
  return ticks;
}

// --- the user's moves --------------------------------------------------------------

void TTrackBar::Notify(WORD Code) {
  const UINT msg = Horizontal() ? WM_HSCROLL : WM_VSCROLL;
  const bool withPos = Code == TB_THUMBTRACK || Code == TB_THUMBPOSITION;
  const WPARAM wp = MAKEWPARAM(Code, withPos ? WORD(SHORT(FPosition)) : 0);
  const LPARAM lp = reinterpret_cast<LPARAM>(Handle());
  if (FParent) FParent->Perform(msg, wp, lp);
  else Perform(msg == WM_HSCROLL ? CN_HSCROLL : CN_VSCROLL, wp, lp);
}

void TTrackBar::UserMove(int Value, WORD Code) {
  FPosition = std::clamp(Value, FMin, FMax);
  Invalidate();
  Notify(Code);
}

void TTrackBar::CNScroll(TMessage&) {
  if (FPosition != FReported) {
    FReported = FPosition;
    Changed();
  }
}

void TTrackBar::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS; }

void TTrackBar::WMKeyDown(TMessage& Message) {
  if (DoKeyDown(Message)) return;
  if (!Enabled()) return;
  const int line = std::max(FLineSize, 0), page = std::max(FPageSize, 0);
  switch (Message.WParam) {
    case VK_LEFT:
    case VK_UP: UserMove(FPosition - line, TB_LINEUP); break;
    case VK_RIGHT:
    case VK_DOWN: UserMove(FPosition + line, TB_LINEDOWN); break;
    case VK_PRIOR: UserMove(FPosition - page, TB_PAGEUP); break;
    case VK_NEXT: UserMove(FPosition + page, TB_PAGEDOWN); break;
    case VK_HOME: UserMove(FMin, TB_TOP); break;
    case VK_END: UserMove(FMax, TB_BOTTOM); break;
    default: DefaultHandler(Message); return;
  }
  FKeyStepping = true;
}

void TTrackBar::WMKeyUp(TMessage& Message) {
  if (DoKeyUp(Message)) return;
  switch (Message.WParam) {
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
      if (FKeyStepping) {
        FKeyStepping = false;
        Notify(TB_ENDTRACK);
      }
      return;
    default: DefaultHandler(Message);
  }
}

void TTrackBar::WMSetFocus(TMessage& Message) {
  Inherited<TWinControl>(Message);
  Invalidate();
}

void TTrackBar::WMKillFocus(TMessage& Message) {
  Inherited<TWinControl>(Message);
  Invalidate();
}

void TTrackBar::CMEnabledChanged(TMessage& Message) {
  Inherited<TWinControl>(Message);
  if (!Enabled()) {
    StopPaging();
    FDragging = false;
  }
  Invalidate();
}

void TTrackBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  if (CanFocus() && !Focused()) SetFocus();
  const int along = Horizontal() ? X : Y;
  if (FSliderVisible && ThumbRect().Contains(TPoint(X, Y))) {
    FDragging = true;
    FDragOffset = along - PositionToPixel(FPosition);
    Invalidate();
    return;
  }
  FPaging = true;
  FPointer = TPoint(X, Y);
  PageTowardPointer();
  if (!FPageTimer) {
    FPageTimer = Create<TTimer>(this);
    FPageTimer->SetEnabled(false);
    FPageTimer->SetOnTimer([this](TObject*) {
      FPageTimer->SetInterval(100);
      if (!FPaging || !MouseCapture()) {
        StopPaging();
        return;
      }
      PageTowardPointer();
    });
  }
  FPageTimer->SetInterval(400);
  FPageTimer->SetEnabled(true);
}

void TTrackBar::PageTowardPointer() {
  const int along = Horizontal() ? FPointer.X : FPointer.Y;
  const int target = PixelToPosition(along);
  const int page = std::max(FPageSize, 0);
  if (target < FPosition) UserMove(std::max(FPosition - page, target), TB_PAGEUP);
  else if (target > FPosition) UserMove(std::min(FPosition + page, target), TB_PAGEDOWN);
}

void TTrackBar::StopPaging() {
  FPaging = false;
  if (FPageTimer) FPageTimer->SetEnabled(false);
}

void TTrackBar::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (FPaging) FPointer = TPoint(X, Y);
  if (!FDragging) return;
  const int value = PixelToPosition((Horizontal() ? X : Y) - FDragOffset);
  if (value != FPosition) UserMove(value, TB_THUMBTRACK);
}

void TTrackBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  if (FDragging) {
    FDragging = false;
    Invalidate();
    Notify(TB_THUMBPOSITION);
    Notify(TB_ENDTRACK);
  } else if (FPaging) {
    StopPaging();
    Notify(TB_ENDTRACK);
  }
}

// --- painting ------------------------------------------------------------------------

void TTrackBar::Paint() {
  TCanvas* c = Canvas();
  TCustomStyleServices& style = StyleServices();
  const bool enabled = Enabled();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(style.GetSystemColor(clBtnFace));
  c->FillRect(ClientRect());

  // The channel: a sunken groove, the selection range filled in.
  TRect channel = ChannelRect();
  RECT rc = ToRECT(channel);
  DrawEdge(c->Handle(), &rc, EDGE_SUNKEN, BF_RECT);
  c->Brush()->SetColor(style.GetSystemColor(clWindow));
  TRect inner = channel;
  inner.Inflate(-2, -2);
  if (!inner.IsEmpty()) c->FillRect(inner);
  if (FShowSelRange && FSelEnd > FSelStart) {
    const int a = PositionToPixel(FSelStart), b = PositionToPixel(FSelEnd);
    TRect sel = Horizontal() ? TRect(a, inner.Top, b + 1, inner.Bottom) : TRect(inner.Left, a, inner.Right, b + 1);
    c->Brush()->SetColor(style.GetSystemColor(clHighlight));
    if (!sel.IsEmpty()) c->FillRect(sel);
  }

  // Ticks: 3 pixels long, 4 at the ends, 2 pixels off the thumb.
  const TColor ink = style.GetSystemColor(enabled ? clWindowText : clGrayText);
  c->Pen()->SetColor(ink);
  c->Pen()->SetStyle(psSolid);
  const QList<int> ticks = TickPositions();
  const int top = ThumbTop();
  for (int v : ticks) {
    const int p = PositionToPixel(v);
    const int length = v == FMin || v == FMax ? 4 : 3;
    auto tick = [&](int From, int To) {
      if (Horizontal()) {
        c->MoveTo(p, From);
        c->LineTo(p, To);
      } else {
        c->MoveTo(From, p);
        c->LineTo(To, p);
      }
    };
    if (FTickMarks != tmTopLeft) tick(top + FThumbLength + 2, top + FThumbLength + 2 + length);
    if (FTickMarks != tmBottomRight) tick(top - 2 - length + 1, top - 1);
  }

  // The thumb: a button face.
  if (FSliderVisible) {
    TThemedButton state = tbPushButtonNormal;
    if (!enabled) state = tbPushButtonDisabled;
    else if (FDragging) state = tbPushButtonPressed;
    style.DrawElement(c->Handle(), style.GetElementDetails(state), ToRECT(ThumbRect()));
  }
  if (Focused()) {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(style.GetSystemColor(clBtnFace));
    c->Font()->SetColor(ink);
    c->DrawFocusRect(ClientRect());
  }
}

TF_PUBLISHED(TTrackBar, TComponent) {
  return PublishedWinControl<TTrackBar>()
      .Integer("Frequency", &TTrackBar::Frequency, &TTrackBar::SetFrequency)
      .Default(1)
      .Integer("LineSize", &TTrackBar::LineSize, &TTrackBar::SetLineSize)
      .Default(1)
      .Integer("Max", &TTrackBar::Max, &TTrackBar::SetMax)
      .Default(10)
      .Integer("Min", &TTrackBar::Min, &TTrackBar::SetMin)
      .Default(0)
      .Enum("Orientation", &TTrackBar::Orientation, &TTrackBar::SetOrientation)
      .Default(trHorizontal)
      .Integer("PageSize", &TTrackBar::PageSize, &TTrackBar::SetPageSize)
      .Default(2)
      .Integer("Position", &TTrackBar::Position, &TTrackBar::SetPosition)
      .Default(0)
      .Integer("SelEnd", &TTrackBar::SelEnd, &TTrackBar::SetSelEnd)
      .Default(0)
      .Integer("SelStart", &TTrackBar::SelStart, &TTrackBar::SetSelStart)
      .Default(0)
      .Boolean("ShowSelRange", &TTrackBar::ShowSelRange, &TTrackBar::SetShowSelRange)
      .Default(true)
      .Boolean("SliderVisible", &TTrackBar::SliderVisible, &TTrackBar::SetSliderVisible)
      .Default(true)
      .Integer("ThumbLength", &TTrackBar::ThumbLength, &TTrackBar::SetThumbLength)
      .Default(20)
      .Enum("TickMarks", &TTrackBar::TickMarks, &TTrackBar::SetTickMarks)
      .Default(tmBottomRight)
      .Enum("TickStyle", &TTrackBar::TickStyle, &TTrackBar::SetTickStyle)
      .Default(tsAuto)
      .Event("OnChange", &TTrackBar::OnChange);
}
