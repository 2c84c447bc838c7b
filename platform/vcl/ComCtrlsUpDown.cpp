// The up-down control.

#include "platform/vcl/ComCtrlsUpDown.h"

#include <algorithm>
#include <limits>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/Themes.h"
#include "platform/win32/Gdi.h"
#include "platform/win32/ScrollBars.h"

namespace {

RECT ToRECT(const TRect& R) { return RECT{R.Left, R.Top, R.Right, R.Bottom}; }

// The position as the associate shows it.
QString PositionText(int Value, bool Thousands) {
  QString digits = QString::number(qAbs(qint64(Value)));
  const QChar separator = FormatSettings.ThousandSeparator;
  if (Thousands && !separator.isNull())
    for (int i = digits.size() - 3; i > 0; i -= 3) digits.insert(i, separator);
  return Value < 0 ? QStringLiteral("-") + digits : digits;
}

// The number in an associate's text: blanks around, an optional sign,
// digits with thousand separators between them.
bool ParsePosition(const QString& Text, int& Value) {
  QString s = Text.trimmed();
  const QChar separator = FormatSettings.ThousandSeparator;
  if (!separator.isNull()) s.remove(separator);
  if (s.isEmpty()) return false;
  bool ok = false;
  const qlonglong v = s.toLongLong(&ok, 10);
  if (!ok || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) return false;
  Value = int(v);
  return true;
}

}  // namespace

TCustomUpDown::TCustomUpDown(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks};
  FWidth = GetSystemMetrics(SM_CXVSCROLL);
  FHeight = GetSystemMetrics(SM_CYVSCROLL) * 3 / 2;
  FTabStop = false;
  FStyleListener = TStyleManager::AddStyleChangeListener([this] { Invalidate(); });
}

TCustomUpDown::~TCustomUpDown() {
  Destroying();
  StopRepeat();
  Unhook();
  if (FAssociate) FAssociate->RemoveFreeNotification(this);
  TStyleManager::RemoveStyleChangeListener(FStyleListener);
}

TF_MESSAGE_MAP(TCustomUpDown, TWinControl) {
  return {
      TF_MESSAGE(UDM_SETRANGE, UDMSetRange),
      TF_MESSAGE(UDM_GETRANGE, UDMGetRange),
      TF_MESSAGE(UDM_SETPOS, UDMSetPos),
      TF_MESSAGE(UDM_GETPOS, UDMGetPos),
      TF_MESSAGE(UDM_SETRANGE32, UDMSetRange32),
      TF_MESSAGE(UDM_GETRANGE32, UDMGetRange32),
      TF_MESSAGE(UDM_SETPOS32, UDMSetPos32),
      TF_MESSAGE(UDM_GETPOS32, UDMGetPos32),
      TF_MESSAGE(UDM_SETBUDDY, UDMSetBuddy),
      TF_MESSAGE(UDM_GETBUDDY, UDMGetBuddy),
      TF_MESSAGE(UDM_SETBASE, UDMSetBase),
      TF_MESSAGE(UDM_GETBASE, UDMGetBase),
      TF_MESSAGE(UDM_SETACCEL, UDMAccel),
      TF_MESSAGE(UDM_GETACCEL, UDMAccel),
      TF_MESSAGE(CN_NOTIFY, CNNotify),
      TF_MESSAGE(CN_HSCROLL, CNScroll),
      TF_MESSAGE(CN_VSCROLL, CNScroll),
      TF_MESSAGE(WM_GETDLGCODE, WMGetDlgCode),
      TF_MESSAGE(WM_KEYDOWN, WMKeyDown),
      TF_MESSAGE(WM_KEYUP, WMKeyUp),
      TF_MESSAGE(CM_MOUSELEAVE, CMMouseLeave),
      TF_MESSAGE(CM_ENABLEDCHANGED, CMEnabledChanged),
  };
}

// --- properties ----------------------------------------------------------------

int TCustomUpDown::Min() const {
  int lo = 0, hi = 0;
  const_cast<TCustomUpDown*>(this)->Perform(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo),
                                            reinterpret_cast<LPARAM>(&hi));
  return lo;
}

int TCustomUpDown::Max() const {
  int lo = 0, hi = 0;
  const_cast<TCustomUpDown*>(this)->Perform(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo),
                                            reinterpret_cast<LPARAM>(&hi));
  return hi;
}

void TCustomUpDown::SetMin(int Value) { Perform(UDM_SETRANGE32, WPARAM(Value), LPARAM(FMax)); }

void TCustomUpDown::SetMax(int Value) { Perform(UDM_SETRANGE32, WPARAM(FMin), LPARAM(Value)); }

int TCustomUpDown::Position() const { return int(const_cast<TCustomUpDown*>(this)->Perform(UDM_GETPOS32, 0, 0)); }

void TCustomUpDown::SetPosition(int Value) { Perform(UDM_SETPOS32, 0, LPARAM(Value)); }

void TCustomUpDown::SetIncrement(int Value) { FIncrement = Value; }

void TCustomUpDown::SetThousands(bool Value) {
  if (FThousands == Value) return;
  FThousands = Value;
  if (FAssociate) WriteBuddy();
}

void TCustomUpDown::SetOrientation(TUDOrientation Value) {
  if (FOrientation == Value) return;
  FOrientation = Value;
  SetBounds(FLeft, FTop, FHeight, FWidth);
  Invalidate();
}

void TCustomUpDown::SetAlignButton(TUDAlignButton Value) {
  if (FAlignButton == Value) return;
  FAlignButton = Value;
  if (FAssociate) PlaceNextToAssociate();
}

void TCustomUpDown::SetAssociate(TWinControl* Value) {
  if (Value == this) Value = nullptr;
  Perform(UDM_SETBUDDY, reinterpret_cast<WPARAM>(Value ? Value->Handle() : nullptr), 0);
}

// --- messages --------------------------------------------------------------------

int TCustomUpDown::Clamp(int Value) const { return std::clamp(Value, std::min(FMin, FMax), std::max(FMin, FMax)); }

void TCustomUpDown::UDMSetRange32(TMessage& Message) {
  FMin = int(Message.WParam);
  FMax = int(Message.LParam);
  FPosition = Clamp(FPosition);
  Invalidate();
}

void TCustomUpDown::UDMGetRange32(TMessage& Message) {
  if (auto* lo = reinterpret_cast<int*>(Message.WParam)) *lo = FMin;
  if (auto* hi = reinterpret_cast<int*>(Message.LParam)) *hi = FMax;
}

void TCustomUpDown::UDMSetRange(TMessage& Message) {
  // LParam: MAKELPARAM(max, min), each 16 bits with its sign.
  FMax = SHORT(Message.LParamLo());
  FMin = SHORT(Message.LParamHi());
  FPosition = Clamp(FPosition);
  Invalidate();
}

void TCustomUpDown::UDMGetRange(TMessage& Message) {
  Message.Result = LRESULT(MAKELPARAM(WORD(SHORT(FMax)), WORD(SHORT(FMin))));
}

void TCustomUpDown::UDMSetPos32(TMessage& Message) {
  const int old = FPosition;
  FPosition = Clamp(int(Message.LParam));
  WriteBuddy();
  Message.Result = old;
}

void TCustomUpDown::UDMGetPos32(TMessage& Message) {
  const bool ok = !FAssociate || ReadBuddy();
  if (auto* error = reinterpret_cast<BOOL*>(Message.LParam)) *error = ok ? FALSE : TRUE;
  Message.Result = FPosition;
}

void TCustomUpDown::UDMSetPos(TMessage& Message) {
  const int old = FPosition;
  FPosition = Clamp(SHORT(Message.LParamLo()));
  WriteBuddy();
  Message.Result = WORD(SHORT(old));
}

void TCustomUpDown::UDMGetPos(TMessage& Message) {
  const bool ok = !FAssociate || ReadBuddy();
  Message.Result = LRESULT(MAKELPARAM(WORD(SHORT(FPosition)), ok ? 0 : 1));
}

void TCustomUpDown::UDMSetBuddy(TMessage& Message) {
  TWinControl* previous = FAssociate;
  Message.Result = reinterpret_cast<LRESULT>(previous && previous->HandleAllocated() ? previous->Handle() : nullptr);
  TWinControl* next = FindControl(reinterpret_cast<HWND>(Message.WParam));
  if (next == this) next = nullptr;
  if (next == previous) return;
  Unhook();
  if (previous) previous->RemoveFreeNotification(this);
  FAssociate = next;
  if (!next) return;
  next->FreeNotification(this);
  if (next->Parent() && next->Parent() != FParent) SetParent(next->Parent());
  PlaceNextToAssociate();
  Hook(next);
  WriteBuddy();
}

void TCustomUpDown::UDMGetBuddy(TMessage& Message) {
  Message.Result =
      reinterpret_cast<LRESULT>(FAssociate && FAssociate->HandleAllocated() ? FAssociate->Handle() : nullptr);
}

void TCustomUpDown::UDMSetBase(TMessage& Message) {
  // Decimal only: the previous base for 10, 0 (refused) otherwise.
  Message.Result = Message.WParam == 10 ? 10 : 0;
}

void TCustomUpDown::UDMGetBase(TMessage& Message) { Message.Result = 10; }

void TCustomUpDown::UDMAccel(TMessage& Message) { Message.Result = 0; }

void TCustomUpDown::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FAssociate) {
    // The associate is going: its window procedure goes with it.
    FSavedProc = nullptr;
    FAssociate = nullptr;
  }
}

// --- the associate ----------------------------------------------------------------

bool TCustomUpDown::ReadBuddy() {
  if (!FAssociate) return false;
  int value = 0;
  if (!ParsePosition(FAssociate->Text(), value)) return false;
  FPosition = Clamp(value);
  return true;
}

void TCustomUpDown::WriteBuddy() {
  if (!FAssociate) return;
  const QString text = PositionText(FPosition, FThousands);
  if (FAssociate->Text() != text) FAssociate->SetText(text);
}

void TCustomUpDown::PlaceNextToAssociate() {
  if (!FAssociate) return;
  TWinControl* a = FAssociate;
  const int w = FOrientation == udVertical ? FWidth : FHeight;
  const int width = std::max(0, a->Width() - w);
  if (FAlignButton == udRight) {
    a->SetBounds(a->Left(), a->Top(), width, a->Height());
    SetBounds(a->Left() + width, a->Top(), w, a->Height());
  } else {
    const int left = a->Left();
    a->SetBounds(left + w, a->Top(), width, a->Height());
    SetBounds(left, a->Top(), w, a->Height());
  }
}

void TCustomUpDown::Hook(TWinControl* Value) {
  FSavedProc = Value->WindowProc();
  Value->SetWindowProc([this, previous = FSavedProc](TMessage& Message) {
    TUDBtnType button;
    if ((Message.Msg == WM_KEYDOWN || Message.Msg == WM_KEYUP) && FArrowKeys && Enabled() &&
        (Message.WParam == VK_UP || Message.WParam == VK_DOWN)) {
      button = Message.WParam == VK_UP ? btNext : btPrev;
      if (Message.Msg == WM_KEYDOWN) {
        FKeyStepping = true;
        Step(button);
      } else if (FKeyStepping) {
        FKeyStepping = false;
        EndSteps();
      }
      Message.Result = 0;
      return;
    }
    previous(Message);
  });
}

void TCustomUpDown::Unhook() {
  if (FAssociate && FSavedProc) FAssociate->SetWindowProc(FSavedProc);
  FSavedProc = nullptr;
}

// --- steps ------------------------------------------------------------------------

bool TCustomUpDown::CanChange() {
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  return allow;
}

bool TCustomUpDown::DoCanChange(int NewVal, int Delta) {
  bool allow = CanChange();
  if (OnChangingEx) {
    const TUpDownDirection direction = Delta == 0 ? updNone : Delta > 0 ? updUp : updDown;
    OnChangingEx(this, allow, NewVal, direction);
  }
  return allow;
}

void TCustomUpDown::Click(TUDBtnType Button) {
  if (OnClick) OnClick(this, Button);
}

void TCustomUpDown::Step(TUDBtnType Button) {
  if (FAssociate) ReadBuddy();
  const int sign = (Button == btNext ? 1 : -1) * (FMax >= FMin ? 1 : -1);
  NMUPDOWN nm{};
  nm.hdr.hwndFrom = Handle();
  nm.hdr.code = UDN_DELTAPOS;
  nm.iPos = FPosition;
  nm.iDelta = sign * FIncrement;
  const LPARAM lp = reinterpret_cast<LPARAM>(&nm);
  const LRESULT refused = FParent ? FParent->Perform(WM_NOTIFY, 0, lp) : Perform(CN_NOTIFY, 0, lp);
  if (refused != 0 || ComponentState().Contains(csDestroying)) return;
  const int lo = std::min(FMin, FMax), hi = std::max(FMin, FMax);
  const qint64 wanted = qint64(FPosition) + nm.iDelta;
  int next = FPosition;
  if (wanted > hi) next = FWrap ? lo : hi;
  else if (wanted < lo) next = FWrap ? hi : lo;
  else next = int(wanted);
  FPosition = next;
  WriteBuddy();
  FLastButton = Button;
  const UINT msg = FOrientation == udVertical ? WM_VSCROLL : WM_HSCROLL;
  const WPARAM wp = MAKEWPARAM(SB_THUMBPOSITION, WORD(SHORT(FPosition)));
  if (FParent) FParent->Perform(msg, wp, reinterpret_cast<LPARAM>(Handle()));
  else Perform(msg == WM_VSCROLL ? CN_VSCROLL : CN_HSCROLL, wp, reinterpret_cast<LPARAM>(Handle()));
  Invalidate();
}

void TCustomUpDown::EndSteps() {
  const UINT msg = FOrientation == udVertical ? WM_VSCROLL : WM_HSCROLL;
  const WPARAM wp = MAKEWPARAM(SB_ENDSCROLL, WORD(SHORT(FPosition)));
  if (FParent) FParent->Perform(msg, wp, reinterpret_cast<LPARAM>(Handle()));
  else Perform(msg == WM_VSCROLL ? CN_VSCROLL : CN_HSCROLL, wp, reinterpret_cast<LPARAM>(Handle()));
}

void TCustomUpDown::CNNotify(TMessage& Message) {
  auto* nm = reinterpret_cast<NMUPDOWN*>(Message.LParam);
  if (!nm || nm->hdr.code != UDN_DELTAPOS) return;
  Message.Result = DoCanChange(nm->iPos + nm->iDelta, nm->iDelta) ? 0 : 1;
}

void TCustomUpDown::CNScroll(TMessage& Message) {
  if (Message.WParamLo() == SB_THUMBPOSITION) Click(FLastButton);
}

// --- keyboard and mouse ---------------------------------------------------------------

void TCustomUpDown::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS; }

bool TCustomUpDown::ArrowKey(WORD Key, TUDBtnType& Button) const {
  if (!FArrowKeys) return false;
  if (FOrientation == udVertical && (Key == VK_UP || Key == VK_DOWN)) {
    Button = Key == VK_UP ? btNext : btPrev;
    return true;
  }
  if (FOrientation == udHorizontal && (Key == VK_RIGHT || Key == VK_LEFT)) {
    Button = Key == VK_RIGHT ? btNext : btPrev;
    return true;
  }
  return false;
}

void TCustomUpDown::WMKeyDown(TMessage& Message) {
  if (DoKeyDown(Message)) return;
  TUDBtnType button;
  if (Enabled() && ArrowKey(WORD(Message.WParam), button)) {
    FKeyStepping = true;
    Step(button);
    return;
  }
  DefaultHandler(Message);
}

void TCustomUpDown::WMKeyUp(TMessage& Message) {
  if (DoKeyUp(Message)) return;
  TUDBtnType button;
  if (FKeyStepping && ArrowKey(WORD(Message.WParam), button)) {
    FKeyStepping = false;
    EndSteps();
    return;
  }
  DefaultHandler(Message);
}

TRect TCustomUpDown::NextRect() const {
  const TRect r = ClientRect();
  if (FOrientation == udVertical) return TRect(r.Left, r.Top, r.Right, r.Top + r.Height() / 2);
  return TRect(r.Left + r.Width() / 2, r.Top, r.Right, r.Bottom);
}

TRect TCustomUpDown::PrevRect() const {
  const TRect r = ClientRect();
  if (FOrientation == udVertical) return TRect(r.Left, r.Top + r.Height() / 2, r.Right, r.Bottom);
  return TRect(r.Left, r.Top, r.Left + r.Width() / 2, r.Bottom);
}

int TCustomUpDown::ButtonAt(int X, int Y) const {
  if (NextRect().Contains(TPoint(X, Y))) return btNext;
  if (PrevRect().Contains(TPoint(X, Y))) return btPrev;
  return -1;
}

void TCustomUpDown::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled() || FPressed >= 0) return;
  const int part = ButtonAt(X, Y);
  if (part < 0) return;
  if (TabStop() && CanFocus() && !Focused()) SetFocus();
  FPressed = part;
  FMouseOnPressed = true;
  Repaint();
  StartRepeat();
  Step(TUDBtnType(part));
}

void TCustomUpDown::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  const int part = ButtonAt(X, Y);
  const bool onPressed = FPressed >= 0 && part == FPressed;
  if (part != FHot || onPressed != FMouseOnPressed) {
    FHot = part;
    FMouseOnPressed = onPressed;
    Invalidate();
  }
}

void TCustomUpDown::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft || FPressed < 0) return;
  StopRepeat();
  FPressed = -1;
  FMouseOnPressed = false;
  Invalidate();
  EndSteps();
}

void TCustomUpDown::CMMouseLeave(TMessage& Message) {
  Inherited<TWinControl>(Message);
  if (FHot >= 0) {
    FHot = -1;
    Invalidate();
  }
}

void TCustomUpDown::CMEnabledChanged(TMessage& Message) {
  Inherited<TWinControl>(Message);
  if (!Enabled() && FPressed >= 0) {
    StopRepeat();
    FPressed = -1;
  }
  Invalidate();
}

void TCustomUpDown::StartRepeat() {
  if (!FRepeatTimer) {
    FRepeatTimer = Create<TTimer>(this);
    FRepeatTimer->SetEnabled(false);
    FRepeatTimer->SetOnTimer([this](TObject*) { RepeatTick(); });
  }
  FRepeatTimer->SetInterval(400);
  FRepeatTimer->SetEnabled(true);
}

void TCustomUpDown::StopRepeat() {
  if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
}

void TCustomUpDown::RepeatTick() {
  FRepeatTimer->SetInterval(100);
  if (FPressed < 0 || !MouseCapture()) {
    StopRepeat();
    return;
  }
  if (FMouseOnPressed) Step(TUDBtnType(FPressed));
}

// --- painting -------------------------------------------------------------------------

void TCustomUpDown::Paint() {
  TCanvas* c = Canvas();
  TCustomStyleServices& style = StyleServices();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(style.GetSystemColor(clBtnFace));
  c->FillRect(ClientRect());
  const bool enabled = Enabled();
  auto draw = [&](const TRect& r, int part) {
    const bool pressed = FPressed == part && FMouseOnPressed;
    const bool hot = FHot == part && enabled;
    // Up, down, left, right: each with normal, hot, pressed, disabled.
    TThemedScrollBar first = tsArrowBtnUpNormal;
    UINT classic = DFCS_SCROLLUP;
    if (FOrientation == udVertical) {
      first = part == btNext ? tsArrowBtnUpNormal : tsArrowBtnDownNormal;
      classic = part == btNext ? DFCS_SCROLLUP : DFCS_SCROLLDOWN;
    } else {
      first = part == btNext ? tsArrowBtnRightNormal : tsArrowBtnLeftNormal;
      classic = part == btNext ? DFCS_SCROLLRIGHT : DFCS_SCROLLLEFT;
    }
    const int offset = !enabled ? 3 : pressed ? 2 : hot ? 1 : 0;
    RECT rc = ToRECT(r);
    if (!style.DrawElement(c->Handle(), style.GetElementDetails(TThemedScrollBar(first + offset)), rc)) {
      UINT flags = classic;
      if (pressed) flags |= DFCS_PUSHED;
      if (!enabled) flags |= DFCS_INACTIVE;
      DrawFrameControl(c->Handle(), &rc, DFC_SCROLL, flags);
    }
  };
  draw(NextRect(), btNext);
  draw(PrevRect(), btPrev);
}

TF_PUBLISHED(TUpDown, TComponent) {
  return PublishedWinControl<TUpDown>()
      .Enum("AlignButton", &TUpDown::AlignButton, &TUpDown::SetAlignButton)
      .Default(udRight)
      .Boolean("ArrowKeys", &TUpDown::ArrowKeys, &TUpDown::SetArrowKeys)
      .Default(true)
      .Integer("Increment", &TUpDown::Increment, &TUpDown::SetIncrement)
      .Default(1)
      .Integer("Min", &TUpDown::Min, &TUpDown::SetMin)
      .Default(0)
      .Integer("Max", &TUpDown::Max, &TUpDown::SetMax)
      .Default(100)
      .Enum("Orientation", &TUpDown::Orientation, &TUpDown::SetOrientation)
      .Default(udVertical)
      .Integer("Position", &TUpDown::Position, &TUpDown::SetPosition)
      .Default(0)
      .Boolean("Thousands", &TUpDown::Thousands, &TUpDown::SetThousands)
      .Default(true)
      .Boolean("Wrap", &TUpDown::Wrap, &TUpDown::SetWrap)
      .Default(false)
      .Event("OnChanging", &TUpDown::OnChanging)
      .Event("OnChangingEx", &TUpDown::OnChangingEx);
}
