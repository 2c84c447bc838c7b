// The non-client area of windowed controls: border and window scroll bars
// around the client area, their layout, painting, hit tests and mouse.

#include <QMouseEvent>
#include <QWidget>
#include <algorithm>

#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Themes.h"
#include "platform/win32/Gdi.h"

namespace {

// Non-client messages are the client ones moved down by this much
// (WM_LBUTTONDOWN 0x201 -> WM_NCLBUTTONDOWN 0xA1, and so on).
constexpr UINT kNonClientOffset = WM_MOUSEMOVE - WM_NCMOUSEMOVE;

bool IsChildStyle(DWORD Style) { return (Style & WS_CHILD) != 0; }

// Width of the border the styles give a child window.
int StyleBorderWidth(DWORD Style, DWORD ExStyle) {
  int width = 0;
  if (ExStyle & WS_EX_CLIENTEDGE) width += GetSystemMetrics(SM_CXEDGE);
  if (ExStyle & WS_EX_STATICEDGE) width += GetSystemMetrics(SM_CXBORDER);
  if (Style & WS_BORDER) width += GetSystemMetrics(SM_CXBORDER);
  return width;
}

}  // namespace

TRect TWinControl::ClientRect() const {
  if (FHasFrame) return TRect(0, 0, FClientArea.Width(), FClientArea.Height());
  if (!FHandle && !FQtBacked && FBorderWidth > 0) {
    // No window yet: the border is known, the frame's styles are not.
    const int w = std::max(FWidth - 2 * FBorderWidth, 0);
    const int h = std::max(FHeight - 2 * FBorderWidth, 0);
    return TRect(0, 0, w, h);
  }
  return TControl::ClientRect();
}

void TWinControl::SetBorderWidth(int Value) {
  Value = std::max(Value, 0);
  if (Value == FBorderWidth) return;
  FBorderWidth = Value;
  if (!FHandle) return;
  // The children's places follow the new client corner; aligned ones are
  // laid out again in the new client area.
  UpdateClientArea(true);
  Realign();
}

TColor TWinControl::BorderColor() const { return clBtnFace; }

RECT TWinControl::WindowClientArea() const {
  if (FHasFrame) return RECT{FClientArea.Left, FClientArea.Top, FClientArea.Right, FClientArea.Bottom};
  return TWindowObject::WindowClientArea();
}

TWindowScrollBars* TWinControl::WindowScrollBars() {
  if (FQtBacked || !FHandle || !IsChildStyle(FStyle)) return nullptr;
  if (!FScrollBars) FScrollBars = std::make_unique<TWindowScrollBars>(FHandle);
  return FScrollBars.get();
}

void TWinControl::WindowFrameChanged() { UpdateClientArea(true); }

void TWinControl::ApplyCursor(TCursor Cursor) {
  FAppliedCursor = Cursor;
  if (FWidget) FWidget->setCursor(Screen->CursorShape(Cursor));
}

void TWinControl::RedrawFrame() {
  if (FWidget) FWidget->update();
}

void TWinControl::ScrollChildWindows(int DX, int DY, const RECT* Area) {
  for (TWinControl* child : QList<TWinControl*>(FTabList)) {
    if (Area) {
      RECT r{child->Left(), child->Top(), child->Left() + child->Width(), child->Top() + child->Height()};
      RECT common;
      if (!IntersectRect(&common, &r, Area)) continue;
    }
    child->SetBounds(child->Left() + DX, child->Top() + DY, child->Width(), child->Height());
  }
}

void TWinControl::PlaceWidget() {
  if (!FWidget) return;
  const TPoint offset = IsChildStyle(FStyle) && FParent ? FParent->FClientArea.TopLeft() : TPoint();
  FWidget->setGeometry(FLeft + offset.X, FTop + offset.Y, FWidth, FHeight);
}

void TWinControl::UpdateClientArea(bool Notify) {
  const TRect whole(0, 0, FWidth, FHeight);
  const TRect old = FClientArea;
  const bool hadFrame = FHasFrame;
  // Top-level windows have their frame outside the widget: only a border
  // of BorderWidth takes from theirs.
  if (!FHandle || !FWidget || FQtBacked || (!IsChildStyle(FStyle) && FBorderWidth == 0)) {
    FClientArea = whole;
    FHasFrame = false;
  } else {
    RECT r{0, 0, FWidth, FHeight};
    TMessage calc;
    calc.Msg = WM_NCCALCSIZE;
    calc.LParam = reinterpret_cast<LPARAM>(&r);
    Perform(calc);
    r.left = std::clamp<LONG>(r.left, 0, FWidth);
    r.top = std::clamp<LONG>(r.top, 0, FHeight);
    r.right = std::clamp<LONG>(r.right, r.left, FWidth);
    r.bottom = std::clamp<LONG>(r.bottom, r.top, FHeight);
    FClientArea = TRect(r.left, r.top, r.right, r.bottom);
    FHasFrame = FClientArea != whole;
  }
  // Children sit in the client area: a moved corner moves their widgets.
  if (FClientArea.TopLeft() != old.TopLeft())
    for (TWinControl* child : QList<TWinControl*>(FTabList)) child->PlaceWidget();
  if (!Notify) return;
  const bool resized = FClientArea.Width() != old.Width() || FClientArea.Height() != old.Height() ||
                       hadFrame != FHasFrame;
  if (resized && FHandle) {
    const TRect client = ClientRect();
    Perform(WM_SIZE, SIZE_RESTORED, MAKELPARAM(WORD(client.Width()), WORD(client.Height())));
  }
  if (FWidget) FWidget->update();
}

bool TWinControl::DefaultNonClient(TMessage& Message) {
  if (FQtBacked) return false;
  switch (Message.Msg) {
    case WM_NCCALCSIZE: {
      auto* r = reinterpret_cast<RECT*>(Message.LParam);
      if (!r) return true;
      if (IsChildStyle(FStyle)) {
        const int border = StyleBorderWidth(FStyle, FExStyle);
        InflateRect(r, -border, -border);
        if (r->right < r->left) r->right = r->left;
        if (r->bottom < r->top) r->bottom = r->top;
        if (FScrollBars) *r = FScrollBars->CalcClientArea(*r);
      }
      InflateRect(r, -FBorderWidth, -FBorderWidth);
      if (r->right < r->left) r->right = r->left;
      if (r->bottom < r->top) r->bottom = r->top;
      Message.Result = 0;
      return true;
    }
    case WM_NCHITTEST: {
      if (!FWidget) {
        Message.Result = HTNOWHERE;
        return true;
      }
      const QPoint p = FWidget->mapFromGlobal(QPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)));
      if (!FWidget->rect().contains(p)) {
        Message.Result = HTNOWHERE;
      } else if (FClientArea.Contains(TPoint(p.x(), p.y()))) {
        Message.Result = HTCLIENT;
      } else {
        const int hit = FScrollBars ? FScrollBars->HitTest(POINT{p.x(), p.y()}) : HTCLIENT;
        Message.Result = hit == HTCLIENT ? HTBORDER : hit;
      }
      return true;
    }
    case WM_NCPAINT: {
      HDC dc = reinterpret_cast<HDC>(Message.WParam);
      if (!dc) return true;
      RECT r{0, 0, FWidth, FHeight};
      // A top-level window's frame is the window system's.
      const bool child = IsChildStyle(FStyle);
      if (child && (FExStyle & WS_EX_CLIENTEDGE)) DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
      if (child && (FExStyle & WS_EX_STATICEDGE)) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
      if (child && (FStyle & WS_BORDER)) {
        FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&r, -1, -1);
      }
      if (FScrollBars) FScrollBars->Paint(dc);
      if (FBorderWidth > 0) {
        // The ring between the client area and the frame (and bars).
        RECT ring{FClientArea.Left - FBorderWidth, FClientArea.Top - FBorderWidth,
                  FClientArea.Right + FBorderWidth, FClientArea.Bottom + FBorderWidth};
        IntersectRect(&ring, &ring, &r);
        const int saved = SaveDC(dc);
        ExcludeClipRect(dc, FClientArea.Left, FClientArea.Top, FClientArea.Right, FClientArea.Bottom);
        HBRUSH brush = CreateSolidBrush(COLORREF(ColorToRGB(StyleServices().GetSystemColor(BorderColor()))));
        FillRect(dc, &ring, brush);
        DeleteObject(brush);
        RestoreDC(dc, saved);
      }
      Message.Result = 0;
      return true;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
      if (!FScrollBars || !FWidget || (Message.WParam != HTHSCROLL && Message.WParam != HTVSCROLL)) return false;
      const QPoint p = FWidget->mapFromGlobal(QPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)));
      FScrollBars->BeginTrack(Message.WParam == HTVSCROLL ? SB_VERT : SB_HORZ, POINT{p.x(), p.y()});
      return true;
    }
    case WM_SETCURSOR: {
      // Over the border and the bars: the arrow.
      TWMSetCursor c(Message);
      if (c.CursorWnd() != FHandle || c.HitTest() == HTCLIENT || !FWidget || !FHasFrame) return false;
      ApplyCursor(crArrow);
      Message.Result = 1;
      return true;
    }
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
      if (FScrollBars && FScrollBars->Tracking()) FScrollBars->CancelTrack();
      return false;
    default:
      return false;
  }
}

bool TWinControl::NonClientMouse(QMouseEvent* Event, UINT Msg, const QPoint& WidgetPos, const POINT& Screen,
                                 bool Capture) {
  const HWND h = FHandle;
  if (FScrollBars && FScrollBars->Tracking()) {
    // The bar has the mouse until the left button comes up.
    const bool release = Msg == WM_LBUTTONUP;
    if (Msg == WM_MOUSEMOVE || release) FScrollBars->TrackMouse(POINT{WidgetPos.x(), WidgetPos.y()}, release);
    return true;
  }
  if (!FHasFrame || Capture || FClientArea.Contains(TPoint(WidgetPos.x(), WidgetPos.y()))) return false;
  const LPARAM screen = PointToLParam(Screen.x, Screen.y);
  const LRESULT hit = Perform(WM_NCHITTEST, 0, screen);
  if (!IsWindow(h)) return true;
  if (hit == HTCLIENT) return false;
  const bool up = Msg == WM_LBUTTONUP || Msg == WM_RBUTTONUP || Msg == WM_MBUTTONUP || Msg == WM_XBUTTONUP;
  if (!up) {
    SendMessage(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(WORD(SHORT(hit)), WORD(Msg)));
    if (!IsWindow(h)) return true;
  }
  TMessage m;
  m.Msg = Msg - kNonClientOffset;
  m.WParam = WPARAM(hit);
  m.LParam = screen;
  m.Origin = Event;
  Perform(m);
  return true;
}
