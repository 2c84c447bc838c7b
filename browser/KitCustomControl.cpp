#include "browser/KitCustomControl.h"

#include <QWidget>
#include <cmath>

#include "foundation/KitGraphicsTypes.h"
#include "foundation/KitUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Themes.h"
#include "platform/win32/Theme.h"
#include "foundation/KitPersistence.h"


namespace {

constexpr TColor kBtnFace = TColor(0xFF00000F);

}  // namespace

TKitDefaultGraphicColors& KitDefaultGraphicColors() {
  static TKitDefaultGraphicColors colors;
  return colors;
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
  c.BackgroundFill = TKitGraphicsStyles::GetStyleBackgroundFillColor(v) ? v : 0xFFFFFF;
  c.BackgroundStroke = TKitGraphicsStyles::GetStyleBackgroundStrokeColor(v) ? v : 0xC0C0C0;
  c.DefaultButtonFill = TKitGraphicsStyles::GetStyleDefaultButtonFillColor(v) ? v : MakeRgb(225, 225, 225);
  c.LineFill = TKitGraphicsStyles::GetStyleLineFillColor(v) ? v : 0xA9A9A9;
  c.TextColor = TKitGraphicsStyles::GetStyleTextFontColor(v) ? v : 0;
  if (TKitGraphicsStyles::GetStyleSelectionFillColor(v)) {
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
  // The facade's control parts take the same colours.
  TKitGraphicsControlPartColors& parts = ControlPartColors();
  parts.BackgroundFill = c.BackgroundFill;
  parts.BackgroundStroke = c.BackgroundStroke;
  parts.NormalFill = c.DefaultButtonFill;
  parts.NormalStroke = c.LineFill;
  parts.GlyphColor = c.TextColor;
  parts.Selection = c.Selection;
  parts.FocusedFill = c.SelectionFill;
  parts.FocusedStroke = c.SelectionLine;
  parts.DisabledStroke = c.Grey;
  parts.DisabledFill = c.LightGrey;
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
      TF_MESSAGE(CM_HINTSHOW, CMHintShow),
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

// Before a hint shows: the control's own hint text, shown again at once when
// the mouse moves on within the control.
void TKitCustomControlBase::CMHintShow(TMessage& Message) {
  Inherited<TKitCustomControlBaseCommon>(Message);
  if (!HasHint()) return;
  if (auto* info = reinterpret_cast<THintInfo*>(Message.LParam)) {
    info->HintStr = GetHintString();
    info->ReshowTimeout = 0;
  }
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

TF_PUBLISHED(TKitCustomControl, TComponent) {
  using C = TKitCustomControl;
  return TPublished<C>()
      .Boolean("AdaptToStyle", &C::AdaptToStyle, &C::SetAdaptToStyle)
      .Default(false)
      .Boolean("AllowFocus", &C::AllowFocus, &C::SetAllowFocus)
      .Default(true)
      .Boolean("ShowAcceleratorChar", &C::ShowAcceleratorChar, &C::SetShowAcceleratorChar)
      .Default(true)
      .Color("Color", &C::Color, &C::SetColor)
      .Default(0xFFFFFF)
      .Boolean("DoubleBuffered", &C::DoubleBuffered, &C::SetDoubleBuffered)
      .Boolean("Enabled", &C::Enabled, &C::SetEnabled)
      .Default(true)
      .Boolean("Visible", &C::Visible, &C::SetVisible)
      .Default(true)
      .Integer("Width", &C::Width, &C::SetWidth)
      .Integer("Height", &C::Height, &C::SetHeight)
      .String("Hint", &C::Hint, &C::SetHint)
      .Boolean("ShowHint", &C::ShowHint, &C::SetShowHint)
      .Boolean("TabStop", &C::TabStop, &C::SetTabStop)
      .Object("Fill", &C::Fill)
      .Object("Stroke", &C::Stroke)
      .Event("OnBeforeDraw", &C::OnBeforeDraw)
      .Event("OnAfterDraw", &C::OnAfterDraw)
      .Event("OnCanSaveProperty", &C::OnCanSaveProperty)
      .Event("OnCanLoadProperty", &C::OnCanLoadProperty);
}

TKitCustomControl::TKitCustomControl(TComponent* AOwner) : TKitCustomControlBase(AOwner) {
  FParentColor = false;
  FColor = 0xFFFFFF;
  SetTabStop(true);
  FFill = std::make_unique<TKitGraphicsFill>(gfkSolid, 0xFFFFFF);
  FStroke = std::make_unique<TKitGraphicsStroke>(gskSolid, 0xC0C0C0);
  FFill->OnChanged = [this](TObject*) { FillChanged(); };
  FStroke->OnChanged = [this](TObject*) { StrokeChanged(); };
}

void TKitCustomControl::AfterConstruction() {
  TKitCustomControlBase::AfterConstruction();
  if (FConstructed) return;
  FConstructed = true;
  if (!IsDesignerForm()) InitializeControl();
}

TKitCustomControl::~TKitCustomControl() {
  FUndoManager.reset();
  FreeControlBitmaps();
  FFill->OnChanged = nullptr;
  FStroke->OnChanged = nullptr;
  FFill.reset();
  FStroke.reset();
}

void TKitCustomControl::FillChanged() {
  const TKitGraphicsFillKind kind = FFill->Kind();
  if (kind != gfkNone && kind != gfkTexture && FFill->Color() != gcNoColor)
    FColor = FFill->Color();
  else
    FColor = kBtnFace;
  Invalidate();
}

void TKitCustomControl::StrokeChanged() { Invalidate(); }

void TKitCustomControl::DisableBackground() {
  FFill->SetKind(gfkNone);
  FStroke->SetKind(gskNone);
  SetColor(kBtnFace);
  FParentColor = false;
}

void TKitCustomControl::EnableBackground() {
  FFill->SetKind(gfkSolid);
  FStroke->SetKind(gskSolid);
}

void TKitCustomControl::DisableFill() { FFill->SetKind(gfkNone); }
void TKitCustomControl::EnableFill() { FFill->SetKind(gfkSolid); }
void TKitCustomControl::DisableStroke() { FStroke->SetKind(gskNone); }
void TKitCustomControl::EnableStroke() { FStroke->SetKind(gskSolid); }

void TKitCustomControl::Assign(TPersistent* Source) {
  if (auto* other = dynamic_cast<TKitCustomControl*>(Source)) {
    FFill->Assign(other->FFill.get());
    FStroke->Assign(other->FStroke.get());
    return;
  }
  TKitCustomControlBase::Assign(Source);
}

void TKitCustomControl::SetTextQuality(TKitGraphicsTextQuality AValue) {
  if (FTextQuality == AValue) return;
  FTextQuality = AValue;
  Invalidate();
}

void TKitCustomControl::ApplyStyle() {
  TColor c = 0;
  if (TKitGraphicsStyles::GetStyleBackgroundFillColor(c)) FFill->SetColor(c);
  if (TKitGraphicsStyles::GetStyleLineFillColor(c)) FStroke->SetColor(c);
}

void TKitCustomControl::ResetToDefaultStyle() {
  FFill->SetColor(0xFFFFFF);
  FStroke->SetColor(0xC0C0C0);
}

// ---------------------------------------------------------------------------
// Painting

void TKitCustomControl::Paint() {
  TKitCustomControlBase::Paint();
  if (!FBlockInvalidate) PaintControl();
}

void TKitCustomControl::PaintControl() {
  const int w = Width(), h = Height();
  std::unique_ptr<TKitGraphics> g = FBufferedPainting ? TKitGraphics::CreateBitmapCanvas(w, h, FNativeCanvas, true)
                                                      : std::make_unique<TKitGraphics>(Canvas(), FNativeCanvas);
  if (FBufferedPainting) g->BeginScene();
  auto prepare = [&](TKitGraphics* AGraphics) {
    AGraphics->SetOptimizedHTMLDrawing(FOptimizedHTMLDrawing);
    AGraphics->Context()->SetSize(float(w), float(h));
    AGraphics->Context()->SetAntiAliasing(FAntiAliasing);
    AGraphics->Context()->SetShowAcceleratorChar(FShowAcceleratorChar);
    AGraphics->Context()->SetTextQuality(FTextQuality);
  };
  prepare(g.get());
  const TRectF r(0, 0, float(w), float(h));
  bool defaultDraw = true;
  BeforeDraw(g.get(), r, defaultDraw);
  if (defaultDraw) {
    DrawBackground(g.get(), r);
    Draw(g.get(), r);
    AfterDraw(g.get(), r);
  }
  if (FBufferedPainting) g->EndScene();
  g->Context()->Render();
  if (FBufferedPainting) {
    TKitBitmap buffer;
    buffer.Assign(g->Bitmap());
    TKitGraphics screen(Canvas(), false);
    prepare(&screen);
    screen.DrawBitmap(r, &buffer, true, false, true, false);
  }
}

void TKitCustomControl::BeforeDraw(TKitGraphics* AGraphics, const TRectF& ARect, bool& ADefaultDraw) {
  if (OnBeforeDraw) OnBeforeDraw(this, AGraphics, ARect, ADefaultDraw);
}

void TKitCustomControl::AfterDraw(TKitGraphics* AGraphics, const TRectF& ARect) {
  if (OnAfterDraw) OnAfterDraw(this, AGraphics, ARect);
}

void TKitCustomControl::DrawBackground(TKitGraphics* AGraphics, const TRectF& ARect) {
  AGraphics->Fill()->Assign(FFill.get());
  AGraphics->Fill()->SetColor(FColor);
  AGraphics->Stroke()->Assign(FStroke.get());
  AGraphics->DrawRectangle(ARect, gcrmShrinkAll);
}

// ---------------------------------------------------------------------------
// Part pictures

std::unique_ptr<TKitBitmap> TKitCustomControl::RenderPart(int AWidth, int AHeight, int APart, int AState,
                                                          UINT AFrameFlags) {
  const TColor background = GetStyleBackgroundEndColor();
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(std::max(AWidth, 0), std::max(AHeight, 0));
  bitmap.SetTransparentColor(background);
  bitmap.SetTransparentMode(tmFixed);
  bitmap.SetTransparent(true);
  auto picture = std::make_unique<TKitBitmap>();
  if (bitmap.Empty()) return picture;
  bitmap.Canvas()->Brush()->SetColor(background);
  bitmap.Canvas()->FillRect(TRect(0, 0, AWidth, AHeight));
  RECT r{0, 0, AWidth, AHeight};
  HDC dc = bitmap.Canvas()->Handle();
  if (IsThemeActive() && HandleAllocated()) {
    HTHEME theme = OpenThemeDataForDpi(Handle(), u"button", UINT(Round(96.0 * FResourceScaleFactor)));
    DrawThemeBackground(theme, dc, APart, AState, &r, nullptr);
    CloseThemeData(theme);
  } else {
    DrawFrameControl(dc, &r, DFC_BUTTON, AFrameFlags);
    // The frame control draws hot and disabled push buttons like normal
    // ones; every state keeps a look of its own: hot parts get a frame in
    // the highlight colour, disabled push buttons are washed out.
    TCanvas* canvas = bitmap.Canvas();
    canvas->Refresh();
    if ((AFrameFlags & 0x1000) != 0 && AWidth > 4 && AHeight > 4) {
      canvas->Brush()->SetStyle(bsClear);
      canvas->Pen()->SetColor(TColor(0xFF00000D));  // clHighlight
      canvas->Pen()->SetWidth(1);
      canvas->Rectangle(1, 1, AWidth - 1, AHeight - 1);
    }
    if ((AFrameFlags & 0x0100) != 0 && (AFrameFlags & 0x0010) != 0) {
      for (int y = 0; y < AHeight; ++y)
        for (int x = (y % 2); x < AWidth; x += 2) canvas->SetPixels(x, y, LighterColor(canvas->Pixels(x, y), 50));
    }
  }
  picture->Assign(&bitmap);
  return picture;
}

void TKitCustomControl::BuildCheckBoxBitmaps() {
  const int s = int(Round(16.0 * FResourceScaleFactor));
  FUnCheckedChk = RenderPart(s, s, BP_CHECKBOX, 1, 0x0000);
  FCheckedChk = RenderPart(s, s, BP_CHECKBOX, 5, 0x0400);
  FUnCheckedFocusChk = RenderPart(s, s, BP_CHECKBOX, 2, 0x1000);
  FCheckedFocusChk = RenderPart(s, s, BP_CHECKBOX, 6, 0x1400);
  FUnCheckedDisabledChk = RenderPart(s, s, BP_CHECKBOX, 4, 0x0100);
  FCheckedDisabledChk = RenderPart(s, s, BP_CHECKBOX, 8, 0x0500);
}

void TKitCustomControl::BuildRadioButtonBitmaps() {
  const int s = int(Round(16.0 * FResourceScaleFactor));
  FUnCheckedRd = RenderPart(s, s, BP_RADIOBUTTON, 1, 0x0004);
  FCheckedRd = RenderPart(s, s, BP_RADIOBUTTON, 5, 0x0404);
  FUnCheckedFocusRd = RenderPart(s, s, BP_RADIOBUTTON, 2, 0x1004);
  FCheckedFocusRd = RenderPart(s, s, BP_RADIOBUTTON, 6, 0x1404);
  FUnCheckedDisabledRd = RenderPart(s, s, BP_RADIOBUTTON, 4, 0x0104);
  FCheckedDisabledRd = RenderPart(s, s, BP_RADIOBUTTON, 8, 0x0504);
}

void TKitCustomControl::BuildButtonBitmaps(float AWidth, float AHeight) {
  const int w = int(Round(double(AWidth) * FResourceScaleFactor));
  const int h = int(Round(double(AHeight) * FResourceScaleFactor));
  FNormalBtn = RenderPart(w, h, BP_PUSHBUTTON, 1, 0x0010);
  FDownBtn = RenderPart(w, h, BP_PUSHBUTTON, 3, 0x0210);
  FNormalFocusBtn = RenderPart(w, h, BP_PUSHBUTTON, 2, 0x1010);
  FDownFocusBtn = RenderPart(w, h, BP_PUSHBUTTON, 3, 0x1210);
  FNormalDisabledBtn = RenderPart(w, h, BP_PUSHBUTTON, 4, 0x0110);
}

void TKitCustomControl::FreeControlBitmaps() {
  for (auto* p : {&FDownBtn, &FNormalBtn, &FDownFocusBtn, &FNormalFocusBtn, &FNormalDisabledBtn, &FCheckedChk,
                  &FUnCheckedChk, &FCheckedFocusChk, &FUnCheckedFocusChk, &FCheckedDisabledChk,
                  &FUnCheckedDisabledChk, &FCheckedRd, &FUnCheckedRd, &FCheckedFocusRd, &FUnCheckedFocusRd,
                  &FCheckedDisabledRd, &FUnCheckedDisabledRd})
    p->reset();
}

void TKitCustomControl::UpdateDPIScale(int M, int D) {
  BuildCheckBoxBitmaps();
  BuildRadioButtonBitmaps();
}

void TKitCustomControl::CreateWnd() {
  TKitCustomControlBase::CreateWnd();
  BuildCheckBoxBitmaps();
  BuildRadioButtonBitmaps();
}

TPicture* TKitCustomControl::GetCheckBoxBitmap(bool AChecked, bool AFocused, bool AEnabled) {
  if (!FCheckedChk || !FUnCheckedChk || !FCheckedFocusChk || !FUnCheckedFocusChk || !FCheckedDisabledChk ||
      !FUnCheckedDisabledChk)
    BuildCheckBoxBitmaps();
  if (!AEnabled) return AChecked ? FCheckedDisabledChk.get() : FUnCheckedDisabledChk.get();
  if (AFocused) return AChecked ? FCheckedFocusChk.get() : FUnCheckedFocusChk.get();
  return AChecked ? FCheckedChk.get() : FUnCheckedChk.get();
}

TPicture* TKitCustomControl::GetRadioButtonBitmap(bool AChecked, bool AFocused, bool AEnabled) {
  if (!FCheckedRd || !FUnCheckedRd || !FCheckedFocusRd || !FUnCheckedFocusRd || !FCheckedDisabledRd ||
      !FUnCheckedDisabledRd)
    BuildRadioButtonBitmaps();
  if (!AEnabled) return AChecked ? FCheckedDisabledRd.get() : FUnCheckedDisabledRd.get();
  if (AFocused) return AChecked ? FCheckedFocusRd.get() : FUnCheckedFocusRd.get();
  return AChecked ? FCheckedRd.get() : FUnCheckedRd.get();
}

TPicture* TKitCustomControl::GetButtonBitmap(float AWidth, float AHeight, bool ADown, bool AFocused, bool AEnabled) {
  BuildButtonBitmaps(AWidth, AHeight);
  if (!AEnabled) return FNormalDisabledBtn.get();
  if (ADown) return AFocused ? FDownFocusBtn.get() : FDownBtn.get();
  return AFocused ? FNormalFocusBtn.get() : FNormalBtn.get();
}

// ---------------------------------------------------------------------------
// Export, settings, undo

void TKitCustomControl::Export(TKitGraphics* AGraphics, const TRectF& ARect) {
  FExporting = true;
  FExportRect = ARect;
  try {
    BeforeExport();
    Draw(AGraphics, ARect);
  } catch (...) {
    FExporting = false;
    throw;
  }
  FExporting = false;
  AfterExport();
}

bool TKitCustomControl::IsColorProperty(TObject* AObject, const QString& APropertyName, TTypeKind) {
  const TPropInfo* prop = AObject ? GetPropInfo(AObject, APropertyName) : nullptr;
  if (!prop) return false;
  static const QStringList colourTypes{"TAlphaColor", "TColor", "TGraphicsColor", "TKitGraphicsFill",
                                       "TKitGraphicsStroke"};
  if (colourTypes.contains(TKitPersistence::GetPropInfoTypeName(prop))) return true;
  if (prop->Name().contains(QLatin1String("Appearance"))) return true;
  return APropertyName == QLatin1String("Fill") || APropertyName == QLatin1String("Stroke") ||
         APropertyName == QLatin1String("Font");
}

bool TKitCustomControl::CanSaveProperty(TObject* AObject, const QString& APropertyName, TTypeKind APropertyKind) {
  bool result = AObject != static_cast<TObject*>(this) ||
                TKitUtils::IndexOfTextInArray(APropertyName, DefaultExcludedProperties()) < 0;
  if (FAppearancePersisting) result = result && IsColorProperty(AObject, APropertyName, APropertyKind);
  DoCanSaveProperty(AObject, APropertyName, APropertyKind, result);
  return result;
}

bool TKitCustomControl::CanLoadProperty(TObject* AObject, const QString& APropertyName, TTypeKind APropertyKind) {
  bool result = AObject != static_cast<TObject*>(this) ||
                TKitUtils::IndexOfTextInArray(APropertyName, DefaultExcludedProperties()) < 0;
  DoCanLoadProperty(AObject, APropertyName, APropertyKind, result);
  return result;
}

void TKitCustomControl::DoCanSaveProperty(TObject* AObject, const QString& APropertyName, TTypeKind APropertyType,
                                          bool& ACanSave) {
  if (OnCanSaveProperty) OnCanSaveProperty(this, AObject, APropertyName, APropertyType, ACanSave);
}

void TKitCustomControl::DoCanLoadProperty(TObject* AObject, const QString& APropertyName, TTypeKind APropertyType,
                                          bool& ACanLoad) {
  if (OnCanLoadProperty) OnCanLoadProperty(this, AObject, APropertyName, APropertyType, ACanLoad);
}

void TKitCustomControl::SaveSettingsToFile(const QString& AFileName, bool AAppearanceOnly) {
  FAppearancePersisting = AAppearanceOnly;
  try {
    TKitPersistence::SaveSettingsToFile(this, AFileName);
  } catch (...) {
    FAppearancePersisting = false;
    throw;
  }
  FAppearancePersisting = false;
}

void TKitCustomControl::SaveSettingsToStream(TStream* AStream, bool AAppearanceOnly) {
  FAppearancePersisting = AAppearanceOnly;
  try {
    TKitPersistence::SaveSettingsToStream(this, AStream);
  } catch (...) {
    FAppearancePersisting = false;
    throw;
  }
  FAppearancePersisting = false;
}

void TKitCustomControl::LoadSettingsFromFile(const QString& AFileName) {
  BeginUpdate();
  TKitPersistence::LoadSettingsFromFile(this, AFileName);
  EndUpdate();
  Invalidate();
}

void TKitCustomControl::LoadSettingsFromStream(TStream* AStream) {
  BeginUpdate();
  TKitPersistence::LoadSettingsFromStream(this, AStream);
  EndUpdate();
  Invalidate();
}

TKitUndoManager* TKitCustomControl::UndoManager() {
  if (!FUndoManager) FUndoManager = std::make_unique<TKitUndoManager>(this);
  return FUndoManager.get();
}

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
  return TKitGraphicsStyles::GetStyleBackgroundFillColorTo(c) ? c : TColor(0xFFFFFE);
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
