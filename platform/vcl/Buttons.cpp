// Speed buttons and the auto-repeating timer speed button.

#include "platform/vcl/Buttons.h"

#include <algorithm>

#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/Themes.h"
#include "platform/win32/Gdi.h"

namespace {

RECT ToRECT(const TRect& R) { return RECT{R.Left, R.Top, R.Right, R.Bottom}; }

// The glyph's pixels with its transparent colour (the bottom-left pixel)
// made transparent.
QImage KeyedGlyph(QImage Image) {
  Image = Image.convertToFormat(QImage::Format_ARGB32);
  if (Image.isNull()) return Image;
  const QRgb key = Image.pixel(0, Image.height() - 1) & 0xFFFFFF;
  for (int y = 0; y < Image.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(Image.scanLine(y));
    for (int x = 0; x < Image.width(); ++x)
      if ((row[x] & 0xFFFFFF) == key) row[x] = 0;
  }
  return Image;
}

// The same pixels faded to grey, for a disabled button without an image of
// its own.
QImage Faded(QImage Image) {
  for (int y = 0; y < Image.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(Image.scanLine(y));
    for (int x = 0; x < Image.width(); ++x) {
      const QRgb p = row[x];
      if (qAlpha(p) == 0) continue;
      const int g = 128 + qGray(p) / 2;
      row[x] = qRgba(g, g, g, qAlpha(p));
    }
  }
  return Image;
}

}  // namespace

// ---------------------------------------------------------------------------
// TSpeedButton

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
  // The button clicks itself on the release (csClickEvents would click on
  // any release over it, also after a press that began elsewhere).
  FControlStyle = TControlStyle{csCaptureMouse, csDoubleClicks, csOpaque};
  FWidth = 23;
  FHeight = 22;
  FGlyph->OnChange = [this](TObject*) { Invalidate(); };
  FStyleListener = TStyleManager::AddStyleChangeListener([this] { Invalidate(); });
}

TSpeedButton::~TSpeedButton() {
  Destroying();
  TStyleManager::RemoveStyleChangeListener(FStyleListener);
  FGlyph->OnChange = nullptr;
}

TF_MESSAGE_MAP(TSpeedButton, TGraphicControl) {
  return {
      TF_MESSAGE(CM_MOUSEENTER, CMMouseEnter),
      TF_MESSAGE(CM_MOUSELEAVE, CMMouseLeave),
      TF_MESSAGE(CM_ENABLEDCHANGED, CMEnabledChanged),
      TF_MESSAGE(CM_TEXTCHANGED, CMTextChanged),
      TF_MESSAGE(CM_BUTTONPRESSED, CMButtonPressed),
  };
}

void TSpeedButton::SetGroupIndex(int Value) {
  if (FGroupIndex == Value) return;
  FGroupIndex = Value;
  if (FGroupIndex == 0 && FDown) {
    FDown = false;
    FState = bsUp;
    Invalidate();
  }
  UpdateExclusive();
}

void TSpeedButton::SetDown(bool Value) {
  if (FGroupIndex == 0) Value = false;
  if (Value == FDown) return;
  if (FDown && !FAllowAllUp) return;
  FDown = Value;
  FState = Value ? bsExclusive : bsUp;
  Invalidate();
  if (Value) UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool Value) {
  if (FAllowAllUp == Value) return;
  FAllowAllUp = Value;
  UpdateExclusive();
}

void TSpeedButton::SetFlat(bool Value) {
  if (FFlat == Value) return;
  FFlat = Value;
  Invalidate();
}

void TSpeedButton::SetGlyph(TBitmap* Value) {
  if (Value && !Value->Empty()) FGlyph->Assign(Value);
  else FGlyph->SetSize(0, 0);
  Invalidate();
}

void TSpeedButton::SetNumGlyphs(TNumGlyphs Value) {
  if (Value < 1 || Value > 4 || Value == FNumGlyphs) return;
  FNumGlyphs = Value;
  Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout Value) {
  if (FLayout == Value) return;
  FLayout = Value;
  Invalidate();
}

void TSpeedButton::SetMargin(int Value) {
  if (FMargin == Value || Value < -1) return;
  FMargin = Value;
  Invalidate();
}

void TSpeedButton::SetSpacing(int Value) {
  if (FSpacing == Value) return;
  FSpacing = Value;
  Invalidate();
}

void TSpeedButton::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  Invalidate();
}

void TSpeedButton::Click() { TControl::Click(); }

void TSpeedButton::UpdateExclusive() {
  if (FGroupIndex == 0 || !FParent) return;
  TMessage m;
  m.Msg = CM_BUTTONPRESSED;
  m.WParam = WPARAM(FGroupIndex);
  m.LParam = reinterpret_cast<LPARAM>(this);
  FParent->Broadcast(m);
}

void TSpeedButton::CMButtonPressed(TMessage& Message) {
  if (Message.WParam != WPARAM(FGroupIndex) || reinterpret_cast<TSpeedButton*>(Message.LParam) == this) return;
  auto* sender = reinterpret_cast<TSpeedButton*>(Message.LParam);
  if (sender->Down() && FDown) {
    FDown = false;
    FState = bsUp;
    Invalidate();
  }
  FAllowAllUp = sender->AllowAllUp();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  if (!FDown) {
    FState = bsDown;
    Repaint();
  }
  FDragging = true;
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!FDragging) return;
  const bool inside = X >= 0 && X < FWidth && Y >= 0 && Y < FHeight;
  TButtonState next = FDown ? bsExclusive : bsUp;
  if (inside && !FDown) next = bsDown;
  if (next != FState) {
    FState = next;
    Repaint();
  }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft || !FDragging) return;
  FDragging = false;
  const bool inside = X >= 0 && X < FWidth && Y >= 0 && Y < FHeight;
  if (FGroupIndex == 0) {
    FState = bsUp;
    Repaint();
  } else if (inside) {
    const bool wasDown = FDown;
    SetDown(!FDown);
    if (wasDown == FDown) {  // the group keeps its down button
      FState = FDown ? bsExclusive : bsUp;
      Repaint();
    }
  } else {
    FState = FDown ? bsExclusive : bsUp;
    Repaint();
  }
  if (inside) Click();
}

void TSpeedButton::CMMouseEnter(TMessage& Message) {
  Inherited<TGraphicControl>(Message);
  FMouseInControl = true;
  if (FFlat && Enabled()) Invalidate();
}

void TSpeedButton::CMMouseLeave(TMessage& Message) {
  Inherited<TGraphicControl>(Message);
  FMouseInControl = false;
  if (FFlat && Enabled()) Invalidate();
}

void TSpeedButton::CMEnabledChanged(TMessage& Message) {
  Inherited<TGraphicControl>(Message);
  if (!Enabled()) {
    FDragging = false;
    if (FState == bsDown) FState = bsUp;
  }
  Invalidate();
}

void TSpeedButton::CMTextChanged(TMessage& Message) {
  Inherited<TGraphicControl>(Message);
  Invalidate();
}

QImage TSpeedButton::GlyphImage(TButtonState State) const {
  if (FGlyph->Empty()) return QImage();
  const int w = FGlyph->Width() / FNumGlyphs;
  if (w <= 0) return QImage();
  int index = 0;
  bool fade = false;
  switch (State) {
    case bsUp: index = 0; break;
    case bsDisabled:
      index = FNumGlyphs > 1 ? 1 : 0;
      fade = FNumGlyphs == 1;
      break;
    case bsDown: index = FNumGlyphs > 2 ? 2 : 0; break;
    case bsExclusive: index = FNumGlyphs > 3 ? 3 : 0; break;
  }
  QImage part = FGlyph->ToImage().copy(index * w, 0, w, FGlyph->Height());
  part = KeyedGlyph(part);
  return fade ? Faded(part) : part;
}

void TSpeedButton::Paint() {
  TCanvas* c = Canvas();
  TCustomStyleServices& style = StyleServices();
  const TRect all(0, 0, FWidth, FHeight);
  const bool enabled = Enabled();
  const TButtonState look = enabled ? FState : bsDisabled;
  const bool pressed = look == bsDown || look == bsExclusive;

  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(style.GetSystemColor(clBtnFace));
  c->FillRect(all);
  if (!FFlat || pressed || (FMouseInControl && enabled)) {
    TThemedButton state = tbPushButtonNormal;
    if (!enabled) state = tbPushButtonDisabled;
    else if (pressed) state = tbPushButtonPressed;
    else if (FMouseInControl) state = tbPushButtonHot;
    style.DrawElement(c->Handle(), style.GetElementDetails(state), ToRECT(all));
  }

  // Glyph and caption, placed as a unit.
  const QImage glyph = GlyphImage(look);
  const QString caption = Caption();
  const TSize text = caption.isEmpty() ? TSize{0, 0} : c->TextExtent(caption);
  const int gw = glyph.isNull() ? 0 : glyph.width(), gh = glyph.isNull() ? 0 : glyph.height();
  const int gap = gw > 0 && text.cx > 0 ? FSpacing : 0;
  const bool across = FLayout == blGlyphLeft || FLayout == blGlyphRight;
  const int totalW = across ? gw + gap + text.cx : std::max(gw, int(text.cx));
  const int totalH = across ? std::max(gh, int(text.cy)) : gh + gap + text.cy;
  int x = FMargin >= 0 && FLayout == blGlyphLeft ? FMargin : (FWidth - totalW) / 2;
  int y = FMargin >= 0 && FLayout == blGlyphTop ? FMargin : (FHeight - totalH) / 2;
  if (FMargin >= 0 && FLayout == blGlyphRight) x = FWidth - FMargin - totalW;
  if (FMargin >= 0 && FLayout == blGlyphBottom) y = FHeight - FMargin - totalH;
  const int shift = pressed ? 1 : 0;
  TPoint glyphAt, textAt;
  switch (FLayout) {
    case blGlyphLeft:
      glyphAt = TPoint(x, y + (totalH - gh) / 2);
      textAt = TPoint(x + gw + gap, y + (totalH - text.cy) / 2);
      break;
    case blGlyphRight:
      textAt = TPoint(x, y + (totalH - text.cy) / 2);
      glyphAt = TPoint(x + text.cx + gap, y + (totalH - gh) / 2);
      break;
    case blGlyphTop:
      glyphAt = TPoint(x + (totalW - gw) / 2, y);
      textAt = TPoint(x + (totalW - text.cx) / 2, y + gh + gap);
      break;
    case blGlyphBottom:
      textAt = TPoint(x + (totalW - text.cx) / 2, y);
      glyphAt = TPoint(x + (totalW - gw) / 2, y + text.cy + gap);
      break;
  }
  if (!glyph.isNull()) {
    TBitmap bitmap;
    bitmap.AssignImage(glyph);
    c->Draw(glyphAt.X + shift, glyphAt.Y + shift, &bitmap);
  }
  if (!caption.isEmpty()) {
    TStyleFont font = sfButtonTextNormal;
    if (!enabled) font = sfButtonTextDisabled;
    else if (pressed) font = sfButtonTextPressed;
    else if (FMouseInControl) font = sfButtonTextHot;
    c->Brush()->SetStyle(bsClear);
    c->Font()->Assign(Font());
    c->Font()->SetColor(style.GetStyleFontColor(font));
    c->TextOut(textAt.X + shift, textAt.Y + shift, caption);
  }
}

TF_PUBLISHED(TSpeedButton, TComponent) {
  return PublishedControl<TSpeedButton>()
      .Boolean("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp)
      .Default(false)
      .Integer("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex)
      .Default(0)
      .Boolean("Down", &TSpeedButton::Down, &TSpeedButton::SetDown)
      .Default(false)
      .String("Caption", &TSpeedButton::Caption, &TSpeedButton::SetCaption)
      .Boolean("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat)
      .Default(false)
      .Object("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph)
      .Enum("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout)
      .Default(blGlyphLeft)
      .Integer("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin)
      .Default(-1)
      .Integer("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs)
      .Default(1)
      .Integer("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing)
      .Default(4)
      .Boolean("Transparent", &TSpeedButton::Transparent, &TSpeedButton::SetTransparent)
      .Default(true);
}

// ---------------------------------------------------------------------------
// TTimerSpeedButton

TTimerSpeedButton::TTimerSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner) {}

TTimerSpeedButton::~TTimerSpeedButton() {
  // The timer is an owned component: stop it before the button goes.
  if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
}

void TTimerSpeedButton::SetTimeBtnState(TTimeBtnState Value) {
  if (FTimeBtnState == Value) return;
  FTimeBtnState = Value;
  if (!FTimeBtnState.Contains(tbAllowTimer) && FRepeatTimer) FRepeatTimer->SetEnabled(false);
  Invalidate();
}

void TTimerSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TSpeedButton::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled() || !FTimeBtnState.Contains(tbAllowTimer)) return;
  if (!FRepeatTimer) {
    FRepeatTimer = Create<TTimer>(this);
    FRepeatTimer->SetEnabled(false);
    FRepeatTimer->SetOnTimer([this](TObject*) { TimerExpired(); });
  }
  FRepeatTimer->SetInterval(InitRepeatPause);
  FRepeatTimer->SetEnabled(true);
}

void TTimerSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
  TSpeedButton::MouseUp(Button, Shift, X, Y);
}

void TTimerSpeedButton::TimerExpired() {
  FRepeatTimer->SetInterval(RepeatPause);
  if (FState != bsDown || !MouseCapture()) return;
  try {
    Click();
  } catch (...) {
    FRepeatTimer->SetEnabled(false);
    throw;
  }
}

void TTimerSpeedButton::Paint() {
  TSpeedButton::Paint();
  if (FTimeBtnState.Contains(tbFocusRect)) {
    TRect r(0, 0, FWidth, FHeight);
    r.Inflate(-3, -3);
    Canvas()->Brush()->SetStyle(bsSolid);
    Canvas()->DrawFocusRect(r);
  }
}

TF_PUBLISHED(TTimerSpeedButton, TSpeedButton) {
  return TPublished<TTimerSpeedButton>().Set("TimeBtnState", &TTimerSpeedButton::TimeBtnState,
                                             &TTimerSpeedButton::SetTimeBtnState);
}
