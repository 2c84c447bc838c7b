#include "browser/KitCustomControl.h"

#include <QWidget>
#include <cmath>

#include "foundation/KitGraphicsTypes.h"
#include "foundation/KitUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Themes.h"


namespace {

constexpr TColor kBtnFace = TColor(0xFF00000F);

// The style colours count only while a style other than the plain
// "Windows" one is active.
bool StyleColor(TStyleColor AWhich, TColor& AColor) {
  if (!TStyleManager::IsCustomStyleActive()) return false;
  AColor = StyleServices().GetStyleColor(AWhich);
  return true;
}

}  // namespace

TKitDefaultGraphicColors& KitDefaultGraphicColors() {
  static TKitDefaultGraphicColors colors;
  return colors;
}

bool TKitControlStyleColors::GetStyleBackgroundFillColor(TColor& AColor) { return StyleColor(scWindow, AColor); }
bool TKitControlStyleColors::GetStyleBackgroundFillColorTo(TColor& AColor) { return StyleColor(scWindow, AColor); }
bool TKitControlStyleColors::GetStyleBackgroundStrokeColor(TColor& AColor) { return StyleColor(scBorder, AColor); }
bool TKitControlStyleColors::GetStyleDefaultButtonFillColor(TColor& AColor) {
  return StyleColor(scButtonNormal, AColor);
}
bool TKitControlStyleColors::GetStyleLineFillColor(TColor& AColor) { return StyleColor(scBorder, AColor); }
bool TKitControlStyleColors::GetStyleSelectionFillColor(TColor& AColor) {
  if (!TStyleManager::IsCustomStyleActive()) return false;
  AColor = StyleServices().GetSystemColor(TColor(0xFF00000D));  // clHighlight
  return true;
}
bool TKitControlStyleColors::GetStyleTextFontColor(TColor& AColor) {
  if (!TStyleManager::IsCustomStyleActive()) return false;
  AColor = StyleServices().GetStyleFontColor(sfWindowTextNormal);
  return true;
}

// ---------------------------------------------------------------------------
// TKitCustomControlBaseCommon

TKitCustomControlBaseCommon::TKitCustomControlBaseCommon(TComponent* AOwner) : TCustomControl(AOwner) {
  InitStyleColors();
  // The framework tells controls about a new active style.
  FStyleListener = TStyleManager::AddStyleChangeListener([this] { Perform(CM_STYLECHANGED, 0, 0); });
}

TKitCustomControlBaseCommon::~TKitCustomControlBaseCommon() { TStyleManager::RemoveStyleChangeListener(FStyleListener); }

QString TKitCustomControlBaseCommon::GetDocURL() {
  return QStringLiteral("http://www.tallowfinch.example/components/documentation");
}

QString TKitCustomControlBaseCommon::GetTipsURL() { return QStringLiteral("http://www.tallowfinch.example/components/tips"); }

void TKitCustomControlBaseCommon::SetAdaptToStyle(bool AValue) {
  FAdaptToStyle = AValue;
  UpdateControlStyle();
}

void TKitCustomControlBaseCommon::UpdateControlStyle() {
  InitStyleColors();
  FreeControlBitmaps();
  if (GetAdaptToStyle()) {
    FAdaptedToStyle = true;
    ApplyStyle();
  } else if (FAdaptedToStyle) {
    ResetToDefaultStyle();
    FAdaptedToStyle = false;
  }
  Invalidate();
}

void TKitCustomControlBaseCommon::InitStyleColors() {
  TKitDefaultGraphicColors c;
  TColor v = 0;
  c.BackgroundFill = TKitControlStyleColors::GetStyleBackgroundFillColor(v) ? v : 0xFFFFFF;
  c.BackgroundStroke = TKitControlStyleColors::GetStyleBackgroundStrokeColor(v) ? v : 0xC0C0C0;
  c.DefaultButtonFill = TKitControlStyleColors::GetStyleDefaultButtonFillColor(v) ? v : MakeRgb(225, 225, 225);
  c.LineFill = TKitControlStyleColors::GetStyleLineFillColor(v) ? v : 0xA9A9A9;
  c.TextColor = TKitControlStyleColors::GetStyleTextFontColor(v) ? v : 0;
  if (TKitControlStyleColors::GetStyleSelectionFillColor(v)) {
    c.Selection = v;
    c.SelectionFill = BlendColor(v, c.DefaultButtonFill, 25);
    c.SelectionLine = BlendColor(v, c.LineFill, 30);
  } else {
    c.Selection = 0;
    c.SelectionFill = MakeRgb(229, 241, 251);
    c.SelectionLine = MakeRgb(60, 127, 177);
  }
  c.Grey = 0xA9A9A9;
  c.LightGrey = 0xD3D3D3;
  KitDefaultGraphicColors() = c;
}

int TKitCustomControlBaseCommon::ScaleResourceValue(int Value) const {
  return TKitUtils::MulDivInt(Value, int(Round(double(FResourceScaleFactor) * 100)), 100);
}
double TKitCustomControlBaseCommon::ScaleResourceValue(double Value) const { return Value * FResourceScaleFactor; }
int TKitCustomControlBaseCommon::ScalePaintValue(int Value) const {
  return TKitUtils::MulDivInt(Value, int(Round(double(FPaintScaleFactor) * 100)), 100);
}
double TKitCustomControlBaseCommon::ScalePaintValue(double Value) const { return Value * FPaintScaleFactor; }

void TKitCustomControlBaseCommon::UpdateScaleFactors(int M, int D) {
  const Single scale = TKitUtils::GetDPIScale(this, 96);
  FResourceScaleFactor = scale;
  FPaintScaleFactor = scale;
  UpdateDPIScale(M, D);
}

void TKitCustomControlBaseCommon::SetShowAcceleratorChar(bool AValue) {
  if (FShowAcceleratorChar == AValue) return;
  FShowAcceleratorChar = AValue;
  Invalidate();
}

void TKitCustomControlBaseCommon::SetTransparent(bool AValue) {
  if (FTransparent == AValue) return;
  FTransparent = AValue;
  Invalidate();
}

bool TKitCustomControlBaseCommon::CanFocus() const { return TCustomControl::CanFocus() && FAllowFocus; }

TPointF TKitCustomControlBaseCommon::GetMousePosition() { return ConvertScreenToClient(TKitUtils::GetMousePos()); }

TPointF TKitCustomControlBaseCommon::ConvertScreenToClient(const TPointF& APoint) {
  const TPoint p = ScreenToClient(TPoint(int(Round(APoint.X)), int(Round(APoint.Y))));
  return TPointF(float(p.X), float(p.Y));
}

TPointF TKitCustomControlBaseCommon::ConvertClientToScreen(const TPointF& APoint) {
  const TPoint p = ClientToScreen(TPoint(int(Round(APoint.X)), int(Round(APoint.Y))));
  return TPointF(float(p.X), float(p.Y));
}

void TKitCustomControlBaseCommon::CancelHint() { Application->CancelHint(); }

void TKitCustomControlBaseCommon::StartDrag() {
  // The framework has no drag machinery of its own yet; an immediate drag is
  // a mouse capture that the descendant's drag hooks follow.
  SetMouseCapture(true);
}

// ---------------------------------------------------------------------------
// TKitCustomControlBase

TKitCustomControlBase::TKitCustomControlBase(TComponent* AOwner) : TKitCustomControlBaseCommon(AOwner) {
  TControlStyle style = ControlStyle();
  style.Include(csAcceptsControls);
  SetControlStyle(style);
}

void TKitCustomControlBase::SetHitTest(bool AValue) {
  FHitTest = AValue;
  if (QWidget* w = WidgetIfAllocated()) w->setAttribute(Qt::WA_TransparentForMouseEvents, !AValue);
}

TRectF TKitCustomControlBase::GetLocalRect() { return TRectF(0, 0, float(Width()), float(Height())); }

TF_MESSAGE_MAP(TKitCustomControlBase, TWinControl) {
  return {
      TF_MESSAGE(WM_GETDLGCODE, WMGetDlgCode),
      TF_MESSAGE(WM_NCHITTEST, WMNCHitTest),
      TF_MESSAGE(CM_DESIGNHITTEST, CMDesignHitTest),
      TF_MESSAGE(CM_MOUSEENTER, CMMouseEnter),
      TF_MESSAGE(CM_MOUSELEAVE, CMMouseLeave),
      TF_MESSAGE(CM_FOCUSCHANGED, CMFocusChanged),
      TF_MESSAGE(CM_STYLECHANGED, CMStyleChanged),
      TF_MESSAGE(WM_ERASEBKGND, WMEraseBkgnd),
      TF_MESSAGE(WM_PAINT, WMPaint),
  };
}

void TKitCustomControlBase::WMGetDlgCode(TMessage& Message) {
  Message.Result = TabStop() ? (DLGC_WANTARROWS | DLGC_WANTALLKEYS) : (DLGC_WANTARROWS | DLGC_WANTALLKEYS | DLGC_WANTTAB);
}

void TKitCustomControlBase::WMNCHitTest(TMessage& Message) {
  if (!FHitTest) {
    Message.Result = HTTRANSPARENT;
    return;
  }
  Inherited<TKitCustomControlBaseCommon>(Message);
}

void TKitCustomControlBase::CMDesignHitTest(TMessage& Message) {
  Inherited<TKitCustomControlBaseCommon>(Message);
  POINT p{0, 0};
  GetCursorPos(&p);
  const TPoint local = ScreenToClient(TPoint(p.x, p.y));
  if (HandleDesignHitTest(local)) Message.Result = 1;
}

void TKitCustomControlBase::CMMouseEnter(TMessage& Message) {
  TKitCustomControlBaseCommon::CMMouseEnter(Message);
  HandleMouseEnter();
}

void TKitCustomControlBase::CMMouseLeave(TMessage& Message) {
  TKitCustomControlBaseCommon::CMMouseLeave(Message);
  HandleMouseLeave();
}

void TKitCustomControlBase::CMFocusChanged(TMessage& Message) {
  Inherited<TKitCustomControlBaseCommon>(Message);
  Invalidate();
}

void TKitCustomControlBase::CMStyleChanged(TMessage&) { UpdateControlStyle(); }

void TKitCustomControlBase::WMEraseBkgnd(TMessage& Message) {
  if (FTransparent) {
    Message.Result = 1;
    return;
  }
  TKitCustomControlBaseCommon::WMEraseBkgnd(Message);
}

void TKitCustomControlBase::WMPaint(TMessage& Message) {
  if (FTransparent) PaintTransparent(Message);
  TKitCustomControlBaseCommon::WMPaint(Message);
}

// The parent's background and windowless children, painted into this
// control's DC at the control's place, before the control paints itself.
void TKitCustomControlBase::PaintTransparent(TMessage& Message) {
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  TWinControl* parent = Parent();
  if (!dc || !parent) return;
  const int saved = SaveDC(dc);
  OffsetWindowOrgEx(dc, Left(), Top(), nullptr);
  parent->Perform(WM_ERASEBKGND, Message.WParam, Message.WParam);
  parent->Perform(WM_PAINT, Message.WParam, 0);
  RestoreDC(dc, saved);
}

void TKitCustomControlBase::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TKitCustomControlBaseCommon::MouseDown(Button, Shift, X, Y);
  HandleMouseDown(Button, Shift, Single(X), Single(Y));
  if (FOnInternalMouseDown) FOnInternalMouseDown(this);
}

void TKitCustomControlBase::MouseMove(TShiftState Shift, int X, int Y) {
  TKitCustomControlBaseCommon::MouseMove(Shift, X, Y);
  HandleMouseMove(Shift, Single(X), Single(Y));
  if (FOnInternalMouseMove) FOnInternalMouseMove(this);
}

void TKitCustomControlBase::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TKitCustomControlBaseCommon::MouseUp(Button, Shift, X, Y);
  HandleMouseUp(Button, Shift, Single(X), Single(Y));
  if (FOnInternalMouseUp) FOnInternalMouseUp(this);
}

void TKitCustomControlBase::ChangeScale(int M, int D, bool isDpiChange) {
  TKitCustomControlBaseCommon::ChangeScale(M, D, isDpiChange);
  UpdateScaleFactors(M, D);
}

void TKitCustomControlBase::DblClick() {
  TKitCustomControlBaseCommon::DblClick();
  const TPointF p = GetMousePosition();
  HandleDblClick(p.X, p.Y);
  if (FOnInternalDblClick) FOnInternalDblClick(this);
}

void TKitCustomControlBase::KeyDown(Word& Key, TShiftState Shift) {
  TKitCustomControlBaseCommon::KeyDown(Key, Shift);
  HandleKeyDownFirst(Key, Shift);
  HandleKeyDown(Key, Shift);
  if (Key != VK_TAB || !Parent()) return;
  // Tab moves on to the next tab stop of the parent.
  TWinControl* next = Parent()->FindNextControl(this, !Shift.Contains(ssShift), true, false);
  if (next && next != this && next->CanFocus()) next->SetFocus();
}

void TKitCustomControlBase::KeyPress(QChar& Key) {
  TKitCustomControlBaseCommon::KeyPress(Key);
  HandleKeyPress(Key);
}

void TKitCustomControlBase::KeyUp(Word& Key, TShiftState Shift) {
  TKitCustomControlBaseCommon::KeyUp(Key, Shift);
  HandleKeyUp(Key, Shift);
}

bool TKitCustomControlBase::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  bool handled = TKitCustomControlBaseCommon::DoMouseWheel(Shift, WheelDelta, MousePos);
  TShiftState keys;
  if (GetKeyState(VK_SHIFT) < 0) keys.Include(ssShift);
  if (GetKeyState(VK_MENU) < 0) keys.Include(ssAlt);
  if (GetKeyState(VK_CONTROL) < 0) keys.Include(ssCtrl);
  HandleMouseWheel(keys, WheelDelta, handled);
  return handled;
}

void TKitCustomControlBase::DragOver(TObject* Source, int X, int Y, bool& Accept) {
  HandleDragOver(Source, TPointF(float(X), float(Y)), Accept);
}

void TKitCustomControlBase::DragDrop(TObject* Source, int X, int Y) {
  HandleDragDrop(Source, TPointF(float(X), float(Y)));
}

// ---------------------------------------------------------------------------
// TKitCustomControl

TKitCustomControl::TKitCustomControl(TComponent* AOwner) : TKitCustomControlBase(AOwner) {
  FParentColor = false;
  FColor = 0xFFFFFF;
  SetTabStop(true);
}

void TKitCustomControl::AfterConstruction() {
  TKitCustomControlBase::AfterConstruction();
  if (FConstructed) return;
  FConstructed = true;
  if (!IsDesignerForm()) InitializeControl();
}

TKitCustomControl::~TKitCustomControl() = default;

void TKitCustomControl::SetColor(TColor AValue) {
  if (FColor == AValue) return;
  FColor = AValue;
  FParentColor = false;
  Invalidate();
}

TKitControlAlignment TKitCustomControl::ControlAlignment() const {
  const int a = int(Align());
  return a <= int(alClient) ? TKitControlAlignment(a) : TKitControlAlignment::caNone;
}

void TKitCustomControl::SetControlAlignment(TKitControlAlignment AValue) {
  const int a = int(AValue);
  if (a < 0 || a > int(TKitControlAlignment::caClient)) return;
  SetAlign(TAlign(a));
}

void TKitCustomControl::GetControlMargins(Single& ALeft, Single& ATop, Single& ARight, Single& ABottom) const {
  if (!FAlignWithMargins) return;
  ALeft = Single(FMargins.Left);
  ATop = Single(FMargins.Top);
  ARight = Single(FMargins.Right);
  ABottom = Single(FMargins.Bottom);
}

void TKitCustomControl::SetControlMargins(Single ALeft, Single ATop, Single ARight, Single ABottom) {
  FAlignWithMargins = true;
  FMargins = TRect(int(Round(ALeft)), int(Round(ATop)), int(Round(ARight)), int(Round(ABottom)));
}

TRectF TKitCustomControl::GetLocalRect() {
  return FExporting ? FExportRect : TKitCustomControlBase::GetLocalRect();
}

TRectF TKitCustomControl::GetDrawRect() {
  return FExporting ? FExportRect : TRectF(0, 0, float(Width()), float(Height()));
}

TColor TKitCustomControl::GetStyleBackgroundEndColor() {
  TColor c = 0;
  return TKitControlStyleColors::GetStyleBackgroundFillColorTo(c) ? c : TColor(0xFFFFFE);
}

bool TKitCustomControl::IsDesignTime() const {
  TComponent* owner = Owner();
  return owner && ComponentState().Contains(csDesigning) && !owner->ComponentState().Contains(csReading) &&
         !owner->ComponentState().Contains(csLoading);
}

bool TKitCustomControl::IsLoading() const { return Owner() && Owner()->ComponentState().Contains(csLoading); }
bool TKitCustomControl::IsReading() const { return Owner() && Owner()->ComponentState().Contains(csReading); }
bool TKitCustomControl::IsDesigning() const { return ComponentState().Contains(csDesigning); }
bool TKitCustomControl::IsDestroying() const { return ComponentState().Contains(csDestroying); }

bool TKitCustomControl::IsDesignerForm() const {
  // No form designer runs inside this program: the answer is the control's
  // own designing state.
  return IsDesigning();
}

void TKitCustomControl::CaptureMouse() {
  if (HandleAllocated()) SetCapture(const_cast<TKitCustomControl*>(this)->Handle());
}

void TKitCustomControl::ReleaseMouse() { ReleaseCapture(); }

void TKitCustomControl::Resize() {
  TKitCustomControlBase::Resize();
  UpdateControlAfterResize();
}
