#include "grid/model/KitGridSearchControls.h"

#include <algorithm>
#include <cmath>

#include <QPalette>
#include <QWidget>

#include "grid/model/KitGrid.h"
#include "grid/model/KitGridDraw.h"
#include "grid/model/KitGridShadow.h"
#include "grid/model/KitGridUtils.h"
#include "platform/vcl/Menus.h"
#include "platform/win32/Gdi.h"

namespace {

constexpr TColor kNone = 0x1FFFFFFF;

int Channel(TColor C, int Shift) { return (ColorToRGB(C) >> Shift) & 0xFF; }

}  // namespace

// ---------------------------------------------------------------------------
// TKitGridButton

TF_MESSAGE_MAP(TKitGridButton, TGraphicControl) {
  return {
      TF_MESSAGE(CM_MOUSEENTER, CMButtonMouseEnter),
      TF_MESSAGE(CM_MOUSELEAVE, CMButtonMouseLeave),
      TF_MESSAGE(CM_DIALOGCHAR, CMButtonDialogChar),
  };
}

TF_MESSAGE_MAP(TKitCheckBox, TWinControl) {
  return {
      TF_MESSAGE(CM_DIALOGCHAR, CMBoxDialogChar),
      TF_MESSAGE(CM_MOUSEENTER, CMBoxMouseEnter),
      TF_MESSAGE(CM_MOUSELEAVE, CMBoxMouseLeave),
      TF_MESSAGE(WM_ERASEBKGND, WMBoxEraseBkgnd),
  };
}

TKitGridButton::TKitGridButton(TComponent* AOwner) : TGraphicControl(AOwner), FColor(clBtnFace) {
  SetBounds(0, 0, 22, 23);
  FGlyph = std::make_unique<TBitmap>();
  FGlyphHot = std::make_unique<TBitmap>();
  FGlyphDown = std::make_unique<TBitmap>();
  FGlyphDisabled = std::make_unique<TBitmap>();
  FGlyphShade = std::make_unique<TBitmap>();
  // The button clicks on its own release (inside, after its state
  // changed): the framework's click on every release would click twice.
  SetControlStyle(ControlStyle() - TControlStyle{csClickEvents});
}

TKitGridButton::~TKitGridButton() = default;

void TKitGridButton::Click() { TGraphicControl::Click(); }

void TKitGridButton::Loaded() {
  if (FShaded) FGlyphShade = ShadeGlyphOf(FGlyph.get());
  if (FAutoThemeAdapt) SetAutoThemeAdapt(true);
}

void TKitGridButton::SetLook(int Value) {
  struct Look {
    TColor color, colorTo, hot, hotTo, down, downTo, checked, checkedTo, borderDown, borderHot;
  };
  static const Look looks[] = {
      {0xEDF1F1, 0xDFEBEB, 0xFAFCFC, 0xE5ECED, 0xE0E6E7, 0xD8E0E1, 0xFFFFFF, kNone, 0xAF987A, 0xC3CECE},
      {clBtnFace, kNone, 0xEED2C1, kNone, 0xE2B598, kNone, 0xE8E6E1, kNone, 0xC56A31, 0xC56A31},
      {0xFDEADA, 0xE4AE88, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0x000000, 0x000000},
      {0xCFF0EA, 0x8CC0B1, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0x000000, 0x000000},
      {0xECE2E1, 0xB39698, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0x000000, 0x000000},
      {clBtnFace, kNone, clBtnFace, kNone, 0xD8D3D2, kNone, 0xCAC7C7, kNone, kNone, kNone},
      {0xCAFFFF, 0xA6FFFF, 0xA8F0FD, 0x7CE9FC, 0x4DE0FB, 0x7AE9FC, 0xB5E6F2, 0x9CDDED, 0x808080, 0x808080},
  };
  if (Value < 0 || Value > 6) return;
  const Look& l = looks[Value];
  FLook = Value;
  FColor = l.color;
  FColorTo = l.colorTo;
  FColorHot = l.hot;
  FColorHotTo = l.hotTo;
  FColorDown = l.down;
  FColorDownTo = l.downTo;
  FColorChecked = l.checked;
  FColorCheckedTo = l.checkedTo;
  FBorderDownColor = l.borderDown;
  FBorderHotColor = l.borderHot;
  FBorderColor = kNone;
  FFlat = true;
  FRounded = Value == 0;
  Invalidate();
}

void TKitGridButton::SetAutoThemeAdapt(bool Value) {
  FAutoThemeAdapt = Value;
  if (!Value) return;
  switch (GetXPColorScheme()) {
    case 1: SetLook(2); break;
    case 2: SetLook(3); break;
    case 3: SetLook(4); break;
    default: SetLook(1); break;
  }
}

void TKitGridButton::SetAllowAllUp(bool Value) {
  if (FAllowAllUp == Value) return;
  FAllowAllUp = Value;
  UpdateExclusive();
}

void TKitGridButton::SetGroupIndex(int Value) {
  if (FGroupIndex == Value) return;
  FGroupIndex = Value;
  UpdateExclusive();
}

void TKitGridButton::SetDownRaw(bool Value) {
  if (FDown == Value) return;
  FDown = Value;
  FState = Value ? bsExclusive : bsUp;
  Invalidate();
}

void TKitGridButton::SetDown(bool Value) {
  if (FGroupIndex == 0 && FStyle == TKitGridButtonStyle::tasButton) Value = false;
  if (Value == FDown) return;
  if (FDown && !Value && FGroupIndex != 0 && !FAllowAllUp) return;
  SetDownRaw(Value);
  if (Value && FStyle == TKitGridButtonStyle::tasButton) FState = bsExclusive;
  if (Value) UpdateExclusive();
}

void TKitGridButton::UpdateExclusive() {
  if (FGroupIndex == 0 || Parent() == nullptr) return;
  for (int i = 0; i < Parent()->ControlCount(); ++i) {
    auto* other = dynamic_cast<TKitGridButton*>(Parent()->Controls(i));
    if (other == nullptr || other == this || other->FGroupIndex != FGroupIndex) continue;
    if (FDown && other->FDown) other->SetDownRaw(false);
    other->FAllowAllUp = FAllowAllUp;
  }
}

void TKitGridButton::SetGlyphField(std::unique_ptr<TBitmap>& Field, TBitmap* Value) {
  if (Value == nullptr) Field = std::make_unique<TBitmap>();
  else Field->Assign(Value);
  Invalidate();
}

void TKitGridButton::SetGlyph(TBitmap* Value) {
  SetGlyphField(FGlyph, Value);
  if (FGlyphDisabled->Empty() && !FGlyph->Empty()) FGlyphDisabled = DisabledGlyphOf(FGlyph.get());
  if (FShaded) FGlyphShade = ShadeGlyphOf(FGlyph.get());
}
void TKitGridButton::SetGlyphHot(TBitmap* Value) { SetGlyphField(FGlyphHot, Value); }
void TKitGridButton::SetGlyphDown(TBitmap* Value) { SetGlyphField(FGlyphDown, Value); }
void TKitGridButton::SetGlyphDisabled(TBitmap* Value) { SetGlyphField(FGlyphDisabled, Value); }

void TKitGridButton::SetShaded(bool Value) {
  if (FShaded == Value) return;
  FShaded = Value;
  if (Value && !ComponentState().Contains(csLoading)) FGlyphShade = ShadeGlyphOf(FGlyph.get());
  Invalidate();
}

std::unique_ptr<TBitmap> TKitGridButton::DisabledGlyphOf(TBitmap* Glyph) {
  auto result = std::make_unique<TBitmap>();
  if (Glyph == nullptr || Glyph->Empty()) return result;
  QImage img = Glyph->ToImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < img.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < img.width(); ++x) {
      const QRgb p = line[x];
      const int mean = int(std::lround((qRed(p) + qGreen(p) + qBlue(p)) / 3.0));
      const int grey = 96 + mean / 2;
      line[x] = qRgba(grey, grey, grey, qAlpha(p));
    }
  }
  result->AssignImage(img);
  return result;
}

std::unique_ptr<TBitmap> TKitGridButton::ShadeGlyphOf(TBitmap* Glyph) {
  auto result = std::make_unique<TBitmap>();
  if (Glyph == nullptr || Glyph->Empty()) return result;
  QImage img = Glyph->ToImage().convertToFormat(QImage::Format_RGB32);
  const QRgb key = img.pixel(0, img.height() - 1);
  for (int y = 0; y < img.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < img.width(); ++x) line[x] = (line[x] & 0xFFFFFF) == (key & 0xFFFFFF) ? key : qRgb(128, 128, 128);
  }
  result->AssignImage(img);
  return result;
}

void TKitGridButton::LayoutGlyphAndCaption(int ClientW, int ClientH, int GlyphW, int GlyphH, int TextW, int TextH,
                                           TButtonLayout Layout, int Margin, int Spacing, TPoint& GlyphPos,
                                           TPoint& TextPos) {
  const bool horizontal = Layout == blGlyphLeft || Layout == blGlyphRight;
  // Across the axis each is centred.
  if (horizontal) {
    GlyphPos.Y = (ClientH - GlyphH + 1) / 2;
    TextPos.Y = (ClientH - TextH + 1) / 2;
  } else {
    GlyphPos.X = (ClientW - GlyphW + 1) / 2;
    TextPos.X = (ClientW - TextW + 1) / 2;
  }
  if (TextW == 0 || GlyphW == 0) Spacing = 0;
  const int S = horizontal ? ClientW : ClientH;
  const int G = horizontal ? GlyphW : GlyphH;
  const int T = horizontal ? TextW : TextH;
  if (Margin == -1 && Spacing == -1) {
    Margin = Spacing = (S - G - T) / 3;
  } else if (Margin == -1) {
    Margin = (S - G - T - Spacing + 1) / 2;
  } else if (Spacing == -1) {
    Spacing = (S - Margin - G - T) / 2;
  }
  int g = 0, t = 0;
  switch (Layout) {
    case blGlyphLeft:
    case blGlyphTop:
      g = Margin;
      t = Margin + G + Spacing;
      break;
    case blGlyphRight:
    case blGlyphBottom:
      g = S - Margin - G;
      t = g - Spacing - T;
      break;
  }
  if (horizontal) {
    GlyphPos.X = g;
    TextPos.X = t;
  } else {
    GlyphPos.Y = g;
    TextPos.Y = t;
  }
}

void TKitGridButton::FillFace(TCanvas* Canvas, const TRect& R, TColor From, TColor To, TColor Frame) {
  Canvas->Brush()->SetStyle(bsSolid);
  if (To == kNone || From == kNone) {
    Canvas->Brush()->SetColor(From == kNone ? To : From);
    Canvas->FillRect(R);
  } else {
    // 16 bands, each a 16th of the height (rounded) plus one pixel.
    const int h = R.Height();
    const int band = int(std::lround(h / 16.0)) + 1;
    for (int n = 0; n < 16; ++n) {
      auto mix = [&](int shift) {
        return int(std::lround(Channel(From, shift) + (Channel(To, shift) - Channel(From, shift)) * n / 16.0));
      };
      const TColor c = TColor(mix(0) | (mix(8) << 8) | (mix(16) << 16));
      const int top = R.Top + int(std::lround(n * h / 16.0));
      Canvas->Brush()->SetColor(c);
      Canvas->FillRect(TRect(R.Left, top, R.Right, std::min(R.Bottom, top + band)));
    }
  }
  if (Frame != kNone) {
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Pen()->SetColor(Frame);
    if (FRounded) Canvas->RoundRect(R, 4, 4);
    else Canvas->Rectangle(R);
    Canvas->Brush()->SetStyle(bsSolid);
  }
}

void TKitGridButton::Paint() {
  TCanvas* canvas = Canvas();
  const TRect client = ClientRect();
  // 1. The state from the enabled flag.
  if (Enabled()) {
    if (FState == bsDisabled) FState = FDown && FGroupIndex != 0 ? bsExclusive : bsUp;
  } else {
    FState = bsDisabled;
    FDragging = false;
  }
  const bool checkDown = FStyle == TKitGridButtonStyle::tasCheck && FDown;
  if (checkDown && FState != bsDisabled) FState = bsDown;
  const bool hot = FMouseInControl && Enabled() && !ComponentState().Contains(csDesigning);
  const bool pressed = FState == bsDown || FState == bsExclusive;

  // 2, 5. The face.
  if (FFlat) {
    if (!hot) {
      if (checkDown) FillFace(canvas, client, FColorChecked, FColorCheckedTo, FColorCheckedTo == kNone ? FBorderDownColor : kNone);
      else if (FState == bsExclusive) FillFace(canvas, client, FColorChecked, FColorCheckedTo, kNone);
      else FillFace(canvas, client, FColor, FColorTo, FBorderColor);
    } else if (FDragging && FState == bsDown) {
      FillFace(canvas, client, FColorDown, FColorDownTo, FBorderDownColor);
    } else if (checkDown) {
      FillFace(canvas, client, FColorChecked, FColorCheckedTo, FBorderHotColor);
    } else {
      FillFace(canvas, client, FColorHot, FColorHotTo, FBorderHotColor);
    }
    if (FDropDownButton && hot) {
      canvas->Pen()->SetColor(FBorderHotColor == kNone ? clGray : FBorderHotColor);
      canvas->MoveTo(client.Right - 12, client.Top);
      canvas->LineTo(client.Right - 12, client.Bottom);
    }
  } else {
    RECT r{client.Left, client.Top, client.Right, client.Bottom};
    ::DrawFrameControl(canvas->Handle(), &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
  }

  // 5. The content's offset.
  int dx = 0, dy = 0;
  if (!FFlat && pressed && !ComponentState().Contains(csDesigning)) dx = dy = 1;
  if (FFlat && FShaded && Enabled() && hot && !(FDragging && FState == bsDown)) dx = dy = -1;
  TRect content = client;
  // 6. The drop-down part.
  if (FDropDownButton) {
    const int my = client.Height() / 2;
    canvas->Brush()->SetColor(Font()->Color());
    canvas->Pen()->SetColor(Font()->Color());
    canvas->Polygon({TPoint(client.Right - 8, my - 1), TPoint(client.Right - 4, my - 1), TPoint(client.Right - 6, my + 1)});
    content.Right -= 12;
  }

  // 7. The glyph.
  TBitmap* glyph = FGlyph.get();
  if (!Enabled()) glyph = FGlyphDisabled->Empty() ? FGlyph.get() : FGlyphDisabled.get();
  else if (hot && pressed) glyph = FGlyphDown.get();
  else if (hot) glyph = ComponentState().Contains(csDesigning) ? FGlyph.get() : FGlyphHot.get();
  else if (pressed) glyph = FGlyphDown.get();
  if (glyph == nullptr || glyph->Empty()) glyph = FGlyph.get();

  // 8. Layout.
  canvas->Font()->Assign(Font());
  const QString caption = FShowCaption ? Caption() : QString();
  const int gw = glyph->Empty() ? 0 : glyph->Width();
  const int gh = glyph->Empty() ? 0 : glyph->Height();
  const int tw = caption.isEmpty() ? 0 : canvas->TextWidth(caption);
  const int th = caption.isEmpty() ? 0 : canvas->TextHeight(caption);
  // (Controls of this platform read left to right: the glyph sides are
  // never swapped.)
  const TButtonLayout layout = FLayout;
  TPoint gp, tp;
  if (caption.isEmpty()) {
    gp = TPoint((content.Width() - gw) / 2, (content.Height() - gh) / 2);
  } else {
    LayoutGlyphAndCaption(content.Width(), content.Height(), gw, gh, tw, th, layout, FMargin, FSpacing, gp, tp);
  }
  gp = TPoint(content.Left + gp.X + dx, content.Top + gp.Y + dy);
  tp = TPoint(content.Left + tp.X + dx, content.Top + tp.Y + dy);
  if (!glyph->Empty()) {
    if (hot && FShaded && Enabled() && !(FDragging && FState == bsDown) && !FGlyphShade->Empty()) {
      FGlyphShade->SetTransparent(true);
      FGlyphShade->SetTransparentMode(tmAuto);
      if (!caption.isEmpty()) canvas->Draw(gp.X + 2, gp.Y + 2, FGlyphShade.get());
      else canvas->Draw(gp.X, gp.Y, FGlyphShade.get());
    }
    glyph->SetTransparent(true);
    canvas->Draw(gp.X, gp.Y, glyph);
  }
  if (!caption.isEmpty()) {
    ::SetBkMode(canvas->Handle(), TRANSPARENT);
    canvas->Brush()->SetStyle(bsClear);
    if (!Enabled()) {
      canvas->Font()->SetColor(clBtnHighlight);
      canvas->TextOut(tp.X + 1, tp.Y + 1, caption);
      canvas->Font()->SetColor(clBtnShadow);
    }
    canvas->TextOut(tp.X, tp.Y, caption);
    canvas->Brush()->SetStyle(bsSolid);
  }
}

void TKitGridButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  // A double click tells only a button that is down.
  if (Shift.Contains(ssDouble) && FDown) DblClick();
  if (FDropDownButton && X >= Width() - 12) {
    if (OnDropDown) OnDropDown(this);
    if (FDropDownMenu != nullptr) {
      const TPoint at = ClientToScreen(TPoint(0, Height()));
      FDropDownMenu->Popup(at.X, at.Y);
    }
    return;
  }
  FState = bsDown;
  FDragging = true;
  Invalidate();
}

void TKitGridButton::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!FDragging) return;
  const bool inside = X >= 0 && X < ClientWidth() && Y >= 0 && Y < ClientHeight();
  const int state = inside ? bsDown : (FDown ? bsExclusive : bsUp);
  if (state != FState) {
    FState = state;
    Invalidate();
  }
}

void TKitGridButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (!FDragging) return;
  FDragging = false;
  const bool inside = X >= 0 && X < ClientWidth() && Y >= 0 && Y < ClientHeight();
  if (FGroupIndex == 0) {
    FState = bsUp;
    if (FStyle == TKitGridButtonStyle::tasCheck && inside) FDown = !FDown;
  } else if (inside) {
    SetDown(!FDown);
    FState = FDown ? bsExclusive : bsUp;
  } else {
    FState = FDown ? bsExclusive : bsUp;
  }
  Invalidate();
  if (inside) Click();
}

void TKitGridButton::CMButtonMouseEnter(TMessage& Message) {
  TGraphicControl::CMMouseEnter(Message);
  if (FDragging || (GetCaptureControl() != nullptr && GetCaptureControl() != this)) return;
  FMouseInControl = true;
  Invalidate();
}

void TKitGridButton::CMButtonMouseLeave(TMessage& Message) {
  TGraphicControl::CMMouseLeave(Message);
  if (FDragging) return;
  FMouseInControl = false;
  Invalidate();
}

void TKitGridButton::CMButtonDialogChar(TMessage& Message) {
  if (Enabled() && Visible() && IsAccel(Word(Message.WParam), Caption())) {
    Click();
    Message.Result = 1;
  }
}

// ---------------------------------------------------------------------------
// TKitCheckBox

void TKitCheckBox::CMBoxDialogChar(TMessage& Message) {
  if (!Enabled() || !Visible() || !IsAccel(Word(Message.WParam), Caption())) return;
  Toggle();
  if (TabStop() && CanFocus()) SetFocus();
  Message.Result = 1;
}

void TKitCheckBox::CMBoxMouseEnter(TMessage& Message) {
  TCustomControl::CMMouseEnter(Message);
  FHot = true;
  Invalidate();
}

void TKitCheckBox::CMBoxMouseLeave(TMessage& Message) {
  TCustomControl::CMMouseLeave(Message);
  FHot = false;
  Invalidate();
}

TKitCheckBox::TKitCheckBox(TComponent* AOwner) : TCustomControl(AOwner), FColor(clWindow) {
  SetBounds(0, 0, 98, 20);
  SetCaption(QStringLiteral("TKitCheckBox"));
  SetTabStop(false);
  // The box clicks on its own release, after toggling.
  SetControlStyle(ControlStyle() - TControlStyle{csClickEvents});
}

void TKitCheckBox::Toggle() {
  if (FReadOnly) return;
  SetChecked(!Checked());
}

void TKitCheckBox::SetState(TCheckBoxState Value) {
  if (FState == Value) return;
  FState = Value;
  // Only the box's side of the control changes.
  const int left = FAlignment == taRightJustify ? std::max(0, Width() - 20) : 0;
  RECT r{left, 0, left + 20, Height()};
  InvalidateWindowRect(&r);
}

void TKitCheckBox::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  FBkgCache = false;
  Invalidate();
}

void TKitCheckBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  const bool resized = AWidth != Width() || AHeight != Height();
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (resized) FBkgCache = false;
  if (FTransparent) Invalidate();
}

TRect TKitCheckBox::BoxRect() {
  FDPIScale = GetFormDpiScale(this);
  const int s = int(std::lround(13 * FDPIScale));
  int top = 4;
  if (FButtonVertAlign == tlCenter) top = ClientHeight() / 2 - 6;
  else if (FButtonVertAlign == tlBottom) top = ClientHeight() - s;
  const int left = FAlignment == taRightJustify ? ClientWidth() - s : 0;
  return TRect(left, top, left + s, top + s);
}

void TKitCheckBox::WMBoxEraseBkgnd(TMessage& Message) {
  if (!FTransparent) {
    Inherited<TCustomControl>(Message);
    return;
  }
  Message.Result = 1;
}

void TKitCheckBox::PaintParentBackground(TCanvas* Canvas) {
  TWinControl* parent = Parent();
  if (parent == nullptr) return;
  if (!FTransparentCaching || !FBkgCache || FBkgBmp == nullptr) {
    // The parent paints into its own picture before its children: the
    // part under this control is the ground to show.
    FBkgBmp = std::make_unique<TBitmap>();
    FBkgBmp->AssignImage(parent->BackBuffer().copy(Left(), Top(), Width(), Height()));
    FBkgCache = FTransparentCaching;
  }
  if (!FBkgBmp->Empty()) Canvas->Draw(0, 0, FBkgBmp.get());
}

void TKitCheckBox::Paint() {
  TCanvas* canvas = Canvas();
  const TRect client = ClientRect();
  if (!FTransparent) {
    canvas->Brush()->SetColor(FColor);
    canvas->FillRect(client);
  } else {
    PaintParentBackground(canvas);
  }
  const TRect box = BoxRect();
  RECT r{box.Left, box.Top, box.Right, box.Bottom};
  UINT state = DFCS_BUTTONCHECK;
  if (FState == cbChecked) state |= DFCS_CHECKED;
  if (FState == cbGrayed || !Enabled()) state |= DFCS_INACTIVE;
  if (FState == cbGrayed) state |= DFCS_CHECKED | DFCS_BUTTON3STATE;
  if (FMouseDown) state |= DFCS_PUSHED;
  ::DrawFrameControl(canvas->Handle(), &r, DFC_BUTTON, state);

  canvas->Font()->Assign(Font());
  TRect text = client;
  text.Top += 4;
  const int gap = int(std::lround(10 * FDPIScale));
  if (FAlignment == taRightJustify) {
    text.Left = gap;
    text.Right = client.Right - 9;
  } else {
    text.Left = 9 + gap;
  }
  TTextFormat format{tfSingleLine};
  if (FEllipsis) format.Include(tfEndEllipsis);
  ::SetBkMode(canvas->Handle(), TRANSPARENT);
  canvas->Brush()->SetStyle(bsClear);
  QString caption = Caption();
  if (!Enabled()) {
    canvas->Font()->SetColor(clWhite);
    TRect shifted(text.Left + 1, text.Top + 1, text.Right + 1, text.Bottom + 1);
    QString copy = caption;
    canvas->TextRect(shifted, copy, format);
    canvas->Font()->SetColor(clGray);
  }
  TRect drawn = text;
  canvas->TextRect(drawn, caption, format);
  if (Focused()) {
    TRect m = text;
    QString measure = Caption();
    canvas->TextRect(m, measure, format + TTextFormat{tfCalcRect});
    canvas->Brush()->SetStyle(bsSolid);
    canvas->DrawFocusRect(TRect(m.Left - 1, m.Top - 1, m.Right + 1, m.Bottom + 1));
  }
  canvas->Brush()->SetStyle(bsSolid);
}

void TKitCheckBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  if (CanFocus()) SetFocus();
  SetMouseCapture(true);
  FMouseDown = true;
  Invalidate();
}

void TKitCheckBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (!FMouseDown) return;
  FMouseDown = false;
  SetMouseCapture(false);
  Invalidate();
  const bool inside = X >= 0 && X < ClientWidth() && Y >= 0 && Y < ClientHeight();
  if (inside) {
    Toggle();
    Click();
  }
}

void TKitCheckBox::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_SPACE && Enabled()) {
    FMouseDown = true;
    Invalidate();
  }
  if (Key == VK_RETURN && FReturnIsTab) {
    Key = 0;
    ::PostMessage(Handle(), WM_KEYDOWN, VK_TAB, 0);
    return;
  }
  TCustomControl::KeyDown(Key, Shift);
}

void TKitCheckBox::KeyUp(Word& Key, TShiftState Shift) {
  if (Key == VK_SPACE && FMouseDown) {
    FMouseDown = false;
    Toggle();
    Click();
    Invalidate();
  }
  TCustomControl::KeyUp(Key, Shift);
}

// ---------------------------------------------------------------------------
// TRetEdit

namespace {

QColor QtColorOf(TColor C) { return QColor(Channel(C, 0), Channel(C, 8), Channel(C, 16)); }

void PaintEditColors(QWidget* Widget, TColor Ground, TColor Text) {
  QPalette palette = Widget->palette();
  palette.setColor(QPalette::Base, QtColorOf(Ground));
  palette.setColor(QPalette::Text, QtColorOf(Text));
  Widget->setPalette(palette);
}

}  // namespace

TRetEdit::TRetEdit(TComponent* AOwner) : TEdit(AOwner), FColor(clWindow), FTextColor(clWindowText) {}

void TRetEdit::SetColors(TColor Ground, TColor Text) {
  if (FColor == Ground && FTextColor == Text) return;
  FColor = Ground;
  FTextColor = Text;
  ApplyColors();
}

void TRetEdit::ApplyColors() {
  if (QWidget* widget = WidgetIfAllocated()) PaintEditColors(widget, FColor, FTextColor);
}

QWidget* TRetEdit::CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) {
  QWidget* widget = TEdit::CreateWidget(Params, ParentWidget);
  PaintEditColors(widget, FColor, FTextColor);
  return widget;
}

void TRetEdit::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_RETURN) {
    Key = 0;
    const TNotifyEvent& event = Shift.Contains(ssCtrl) ? OnCtrlReturn : OnReturn;
    if (event) event(this);
    return;
  }
  TEdit::KeyDown(Key, Shift);
}

void TRetEdit::KeyPress(QChar& Key) {
  TEdit::KeyPress(Key);
  if (Key == u'\r' || Key == u'\n') Key = QChar();
}

// ---------------------------------------------------------------------------
// TSearchPanel

TSearchPanel::TSearchPanel(TKitStringGrid* AGrid) : TCustomPanel(AGrid), FGrid(AGrid) {
  SetHeight(0);
  SetBorderWidth(0);
  SetBevelOuter(bvNone);
  SetShowCaption(false);

  FEdit = new TRetEdit(this);
  FEdit->SetParent(this);
  FEdit->OnChange = [this](TObject*) { EditChanged(); };
  FEdit->OnReturn = [this](TObject*) {
    if (OnForwardClick) OnForwardClick(this);
  };
  FEdit->OnCtrlReturn = [this](TObject*) {
    if (OnBackwardClick) OnBackwardClick(this);
  };
  // A button's click comes out as the panel's event.
  auto button = [this](TNotifyEvent TSearchPanel::*Event, const char* Glyph) {
    auto* b = new TKitGridButton(this);
    b->SetParent(this);
    b->OnClick = [this, Event](TObject*) {
      if (this->*Event) (this->*Event)(this);
    };
    TBitmap glyph;
    if (TKitStringGrid::LoadGridBitmap(QString::fromLatin1(Glyph), &glyph)) b->SetGlyph(&glyph);
    return b;
  };
  FForwardButton = button(&TSearchPanel::OnForwardClick, "KSGARDOWN");
  FBackwardButton = button(&TSearchPanel::OnBackwardClick, "KSGARUP");
  FExitButton = button(&TSearchPanel::OnExitClick, "KSGCLOSE");
  FHiliteButton = button(&TSearchPanel::OnHighLightClick, "KSGHI");
  // The generated grey copies stand in for the disabled glyphs of their own.
  const std::pair<TKitGridButton*, const char*> disabled[] = {
      {FForwardButton, "KSGARDOWND"}, {FBackwardButton, "KSGARUPD"}, {FHiliteButton, "KSGHID"}};
  for (const auto& [b, name] : disabled) {
    TBitmap glyph;
    if (TKitStringGrid::LoadGridBitmap(QString::fromLatin1(name), &glyph)) b->SetGlyphDisabled(&glyph);
  }
  TBitmap hot, down;
  if (TKitStringGrid::LoadGridBitmap(QStringLiteral("KSGCLOSEH"), &hot)) FExitButton->SetGlyphHot(&hot);
  if (TKitStringGrid::LoadGridBitmap(QStringLiteral("KSGCLOSED"), &down)) FExitButton->SetGlyphDown(&down);
  FHiliteButton->SetStyle(TKitGridButtonStyle::tasCheck);

  FResultLabel = new TLabel(this);
  FResultLabel->SetParent(this);
  FResultLabel->SetCaption(QString());
  FMatchCase = new TKitCheckBox(this);
  FMatchCase->SetParent(this);
  FMatchCase->OnClick = [this](TObject*) {
    if (OnMatchCaseClick) OnMatchCaseClick(this);
  };
}

TSearchPanel::~TSearchPanel() = default;

void TSearchPanel::SetColorTo(TColor Value) {
  if (FColorTo == Value) return;
  FColorTo = Value;
  Invalidate();
}

QString TSearchPanel::EditText() const { return FEdit->Text(); }
void TSearchPanel::SetEditText(const QString& Value) { FEdit->SetText(Value); }
bool TSearchPanel::HighLightDown() const { return FHiliteButton->Down(); }
void TSearchPanel::SetHighLightDown(bool Value) { FHiliteButton->SetDown(Value); }
bool TSearchPanel::MatchCase() const { return FMatchCase->Checked(); }
void TSearchPanel::SetMatchCase(bool Value) { FMatchCase->SetChecked(Value); }

void TSearchPanel::EditChanged() {
  const bool hasText = !FEdit->Text().isEmpty();
  FForwardButton->SetEnabled(hasText);
  FBackwardButton->SetEnabled(hasText);
  FHiliteButton->SetEnabled(hasText);
  if (OnEditChange) OnEditChange(this);
}

void TSearchPanel::CreateWnd() {
  TCustomPanel::CreateWnd();
  InitPanel();
}

namespace {

int SearchPanelTextWidth(TFont* Font, const QString& Text) {
  TBitmap measure(1, 1);
  measure.Canvas()->Font()->Assign(Font);
  return measure.Canvas()->TextWidth(Text);
}

}  // namespace

void TSearchPanel::InitPanel() {
  const double s = FGrid->GetDPIScale();
  auto scaled = [s](int v) { return int(std::lround(v * s)); };
  const TSearchFooter* settings = FGrid->SearchFooter();
  FEdit->SetParentFont(true);
  FEdit->SetBounds(scaled(25), scaled(6), scaled(110), FEdit->Height());
  FForwardButton->SetBounds(scaled(140), scaled(5), scaled(90), scaled(23));
  FForwardButton->SetCaption(settings->FindNextCaption());
  FForwardButton->SetEnabled(false);
  FBackwardButton->SetBounds(scaled(235), scaled(5), scaled(90), scaled(23));
  FBackwardButton->SetCaption(settings->FindPrevCaption());
  FBackwardButton->Font()->SetHeight(int(std::lround(FBackwardButton->Font()->Height() * s)));
  FBackwardButton->SetEnabled(false);
  FExitButton->SetBounds(scaled(5), 7, scaled(14), scaled(14));
  FExitButton->SetCaption(QString());
  FHiliteButton->SetBounds(scaled(330), scaled(5), scaled(90), scaled(23));
  FHiliteButton->SetCaption(settings->HighLightCaption());
  FHiliteButton->SetEnabled(false);
  FMatchCase->SetCaption(settings->MatchCaseCaption());
  const int boxLeft = settings->ShowHighLight() ? scaled(425) : scaled(330);
  FMatchCase->SetBounds(boxLeft, scaled(6), SearchPanelTextWidth(FMatchCase->Font(), FMatchCase->Caption()) + scaled(18),
                        FMatchCase->Height());
  FResultLabel->SetAutoSize(true);
  FResultLabel->SetLayout(tlCenter);
  FResultLabel->SetBounds(FMatchCase->Left() + FMatchCase->Width() + scaled(8), 10, FResultLabel->Width(),
                          FMatchCase->Height());
  // A hint shows only when it has a text.
  const std::pair<TKitGridButton*, QString> hints[] = {{FForwardButton, settings->HintFindNext()},
                                                       {FBackwardButton, settings->HintFindPrev()},
                                                       {FExitButton, settings->HintClose()},
                                                       {FHiliteButton, settings->HintHighlight()}};
  for (const auto& [b, hint] : hints) {
    b->SetHint(hint);
    b->SetShowHint(!hint.isEmpty());
  }
  FGrid->UpdateSearchFooter();
  if (FGrid->OnCreatedSearchFooter) FGrid->OnCreatedSearchFooter(FGrid);
}

void TSearchPanel::Paint() {
  TCustomPanel::Paint();
  TCanvas* canvas = Canvas();
  const TRect r = ClientRect();
  canvas->Brush()->SetStyle(bsSolid);
  if (FColorTo != clNone) {
    FillGradientRect(canvas, Color(), FColorTo, false, r, 32);
  } else {
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
  }
  canvas->Pen()->SetColor(FGrid->GridLineColor());
  canvas->Pen()->SetWidth(1);
  canvas->MoveTo(r.Left, r.Top);
  canvas->LineTo(r.Right, r.Top);
}
