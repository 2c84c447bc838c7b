// The grid's shared drawing routines (see KitGridDraw.h).

#include "grid/model/KitGridDraw.h"

#include <algorithm>
#include <cmath>

#include "grid/model/KitGridLook.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Controls.h"
#include "platform/win32/Gdi.h"

namespace {

int R(TColor c) { return c & 0xFF; }
int G(TColor c) { return (c >> 8) & 0xFF; }
int B(TColor c) { return (c >> 16) & 0xFF; }
TColor Rgb(int r, int g, int b) {
  auto clamp = [](int v) { return std::clamp(v, 0, 255); };
  return TColor(clamp(r) | clamp(g) << 8 | clamp(b) << 16);
}

// Pen and brush of one colour, then a rectangle: what a band or a part is
// drawn with.
void SolidRect(TCanvas* Canvas, TColor Color, int L, int T, int Rt, int Bt) {
  Canvas->Pen()->SetStyle(psSolid);
  Canvas->Pen()->SetWidth(1);
  Canvas->Pen()->SetColor(Color);
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(Color);
  Canvas->Rectangle(L, T, Rt, Bt);
}

void Line(TCanvas* Canvas, int X1, int Y1, int X2, int Y2) {
  Canvas->MoveTo(X1, Y1);
  Canvas->LineTo(X2, Y2);
}

UINT StateFlags(int State) {
  switch (State) {
    case 1: return DFCS_HOT;
    case 2: return DFCS_PUSHED;
    case 3: return DFCS_INACTIVE;
    default: return 0;
  }
}

const TColorTone& ToneOf(const TColorTones& Tones, int State) {
  switch (State) {
    case 1: return Tones.Hover;
    case 2: return Tones.Selected;
    case 3: return Tones.Disabled;
    default: return Tones.Background;
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Colours

TColor InterpolateColor(TColor Color1, TColor Color2, int Min, int Pos, int Max) {
  if (Color2 == clNone || Max == Min) return Color1;
  const TColor a = ColorToRGB(Color1);
  const TColor b = ColorToRGB(Color2);
  const double f = double(Pos) / double(Max - Min);
  return Rgb(R(a) + int(Round((R(b) - R(a)) * f)), G(a) + int(Round((G(b) - G(a)) * f)),
             B(a) + int(Round((B(b) - B(a)) * f)));
}

TColor HalfBrightColor(TColor Color) {
  const TColor c = ColorToRGB(Color);
  return Rgb(R(c) >> 1, G(c) >> 1, B(c) >> 1);
}

TColor ChangeColorPercent(TColor Color, int Percent) {
  const TColor c = ColorToRGB(Color);
  auto ch = [Percent](int v) { return std::max(0, int(Round(v * Percent / 100.0 + v))); };
  return Rgb(ch(R(c)), ch(G(c)), ch(B(c)));
}

void FillRectColor(TCanvas* Canvas, const TRect& Rect, TColor Color) {
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(Color);
  Canvas->FillRect(Rect);
}

// ---------------------------------------------------------------------------
// Gradients

void FillGradientRect(TCanvas* Canvas, TColor ColorFrom, TColor ColorTo, bool Horizontal, TRect Rc, int Steps) {
  if (Rc.Bottom == Rc.Top) return;
  if (Rc.Bottom < Rc.Top) std::swap(Rc.Top, Rc.Bottom);
  if (ColorFrom == clNone || ColorTo == clNone) {
    const TColor c = ColorFrom != clNone ? ColorFrom : ColorTo;
    if (c == clNone) return;
    SolidRect(Canvas, c, Rc.Left, Rc.Top, Rc.Right, Rc.Bottom);
    return;
  }
  const int length = (Horizontal ? Rc.Right - Rc.Left : Rc.Bottom - Rc.Top) - 1;
  // A rectangle of one pixel has no room for two colours: one band.
  if (length < 1) {
    SolidRect(Canvas, ColorFrom, Rc.Left, Rc.Top, Rc.Right, Rc.Bottom);
    return;
  }
  Steps = std::clamp(Steps, 1, length);
  const double size = double(length) / Steps;
  const TColor a = ColorToRGB(ColorFrom);
  const TColor b = ColorToRGB(ColorTo);
  const int end = Horizontal ? Rc.Right : Rc.Bottom;
  for (int i = 0; i <= Steps; ++i) {
    const TColor c = Rgb(R(a) + int(Round(double(i) * (R(b) - R(a)) / Steps)),
                         G(a) + int(Round(double(i) * (G(b) - G(a)) / Steps)),
                         B(a) + int(Round(double(i) * (B(b) - B(a)) / Steps)));
    const int start = (Horizontal ? Rc.Left : Rc.Top) + int(std::trunc(i * size));
    const int stop = std::min(start + int(std::trunc(size + 1)), end);
    if (stop <= start) continue;
    if (Horizontal)
      SolidRect(Canvas, c, start, Rc.Top, stop, Rc.Bottom);
    else
      SolidRect(Canvas, c, Rc.Left, start, Rc.Right, stop);
  }
}

void FillMirrorGradientRect(TCanvas* Canvas, TRect Rc, TColor Color, bool Fill, bool SidesOnly, TColor BorderColor,
                            bool Vertical, TColor ColorMirrorTo, TColor ColorMirror, TColor ColorTo) {
  if (Fill && Color != clNone) {
    if (ColorMirror == clNone) {
      if (ColorTo == clNone)
        SolidRect(Canvas, Color, Rc.Left, Rc.Top, Rc.Right, Rc.Bottom + 1);
      else
        FillGradientRect(Canvas, Color, ColorTo, !Vertical, Rc, 128);
    } else {
      TRect first = Rc;
      TRect second = Rc;
      if (Vertical) {
        first.Bottom = Rc.Top + (Rc.Bottom - Rc.Top) / 2;
        second.Top = first.Bottom;
      } else {
        first.Right = Rc.Left + (Rc.Right - Rc.Left) / 2;
        second.Left = first.Right;
      }
      FillGradientRect(Canvas, Color, ColorTo, !Vertical, first, 128);
      FillGradientRect(Canvas, ColorMirror, ColorMirrorTo, !Vertical, second, 128);
    }
  }
  if (BorderColor == clNone) return;
  Canvas->Pen()->SetColor(BorderColor);
  Canvas->Pen()->SetWidth(1);
  if (SidesOnly) {
    Line(Canvas, Rc.Left, Rc.Top, Rc.Left, Rc.Bottom);
    Line(Canvas, Rc.Right - 1, Rc.Top, Rc.Right - 1, Rc.Bottom);
  } else {
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Rectangle(Rc);
    Canvas->Brush()->SetStyle(bsSolid);
  }
}

// ---------------------------------------------------------------------------
// The selection frame

void DrawSelectionFrame(TCanvas* Canvas, TColor Color, TColor ColorTo, int Part, TRect Rc, TColor OuterCornerColor,
                        TColor InnerCornerColor, TColor OuterColor, TColor LowerInnerColor, TColor UpperInnerColor,
                        TColor ColorMirrorTo, TColor ColorMirror) {
  // The drawing rectangle: 1 pixel less at the right, 2 at the bottom; the
  // last column and row drawn are Right - 1 and Bottom - 1.
  const int l = Rc.Left;
  const int t = Rc.Top;
  const int r = Rc.Right - 2;
  const int b = Rc.Bottom - 3;
  const bool leftEdge = Part == 0 || Part == 1;
  const bool rightEdge = Part == 0 || Part == 2;
  const int mid = t + (b - t) / 2;
  Canvas->Pen()->SetWidth(1);
  Canvas->Pen()->SetStyle(psSolid);

  // 4. The fill of the inner rectangle (drawn first; the lines go over it).
  TRect inner(leftEdge ? l + 2 : l, t + 2, rightEdge ? r - 1 : r + 1, b);
  if (inner.Right > inner.Left && inner.Bottom > inner.Top) {
    if (ColorTo == clNone) {
      SolidRect(Canvas, Color, inner.Left, inner.Top, inner.Right, inner.Bottom);
    } else if (ColorMirror == clNone) {
      FillGradientRect(Canvas, Color, ColorTo, false, inner, 16);
    } else {
      TRect upper = inner;
      upper.Bottom = inner.Top + (inner.Bottom - inner.Top) / 2;
      TRect lower = inner;
      lower.Top = upper.Bottom;
      FillGradientRect(Canvas, Color, ColorTo, false, upper, 16);
      FillGradientRect(Canvas, ColorMirror, ColorMirrorTo, false, lower, 16);
    }
  }
  // 1. Inner lines.
  const int il = leftEdge ? l + 1 : l;
  const int ir = rightEdge ? r - 1 : r;
  if (UpperInnerColor != clNone) {
    Canvas->Pen()->SetColor(UpperInnerColor);
    Line(Canvas, il, t + 1, ir + 1, t + 1);
    if (leftEdge) Line(Canvas, l + 1, t + 1, l + 1, mid + 1);
    if (rightEdge) Line(Canvas, r - 1, t + 1, r - 1, mid + 1);
  }
  if (LowerInnerColor != clNone) {
    Canvas->Pen()->SetColor(LowerInnerColor);
    Line(Canvas, il, b - 1, ir + 1, b - 1);
    if (leftEdge) Line(Canvas, l + 1, mid, l + 1, b - 1);
    if (rightEdge) Line(Canvas, r - 1, mid, r - 1, b - 1);
  }
  // 2. Outer lines, shortened by 2 at each drawn edge.
  if (OuterColor != clNone) {
    Canvas->Pen()->SetColor(OuterColor);
    const int ol = leftEdge ? l + 2 : l;
    const int orr = rightEdge ? r - 2 : r;
    Line(Canvas, ol, t, orr + 1, t);
    Line(Canvas, ol, b, orr + 1, b);
    if (leftEdge) Line(Canvas, l, t + 2, l, b - 1);
    if (rightEdge) Line(Canvas, r, t + 2, r, b - 1);
  }
  // 3. Rounded corners.
  auto corner = [&](int cx, int cy, int dx, int dy) {
    if (InnerCornerColor != clNone) {
      Canvas->SetPixels(cx + dx, cy, InnerCornerColor);
      Canvas->SetPixels(cx, cy + dy, InnerCornerColor);
      Canvas->SetPixels(cx + dx, cy + dy, InnerCornerColor);
    }
    if (OuterCornerColor != clNone) Canvas->SetPixels(cx, cy, OuterCornerColor);
  };
  if (leftEdge) {
    corner(l, t, 1, 1);
    corner(l, b, 1, -1);
  }
  if (rightEdge) {
    corner(r, t, -1, 1);
    corner(r, b, -1, -1);
  }
}

// ---------------------------------------------------------------------------
// Buttons

void DrawCellButton(TCanvas* Canvas, TWinControl*, TRect Rc, const QString& Caption, bool ShowAccelerator,
                    const TColorTones& Tones, int State, int Kind) {
  if (Kind == 3) {
    const TColorTone& tone = ToneOf(Tones, State);
    Canvas->Brush()->SetColor(tone.BrushColor == clNone ? clBtnFace : tone.BrushColor);
    Canvas->Pen()->SetColor(tone.BorderColor == clNone ? clGray : tone.BorderColor);
    Canvas->Rectangle(Rc);
    Canvas->Font()->SetColor(tone.TextColor == clNone ? clBtnText : tone.TextColor);
  } else {
    RECT rc{Rc.Left, Rc.Top, Rc.Right, Rc.Bottom};
    UINT state = DFCS_BUTTONPUSH | StateFlags(State);
    if (Kind == 2) state |= DFCS_FLAT;
    ::DrawFrameControl(Canvas->Handle(), &rc, DFC_BUTTON, state);
    if (State == 3) Canvas->Font()->SetColor(clGrayText);
  }
  if (Caption.isEmpty()) return;
  RECT tr{Rc.Left, Rc.Top + 4, Rc.Right, Rc.Bottom - 3};
  const int mode = ::SetBkMode(Canvas->Handle(), TRANSPARENT);
  UINT flags = DT_SINGLELINE | DT_CENTER | DT_VCENTER;
  if (!ShowAccelerator) flags |= DT_NOPREFIX;
  ::DrawTextW(Canvas->Handle(), reinterpret_cast<LPCWSTR>(Caption.utf16()), int(Caption.size()), &tr, flags);
  ::SetBkMode(Canvas->Handle(), mode);
}

void DrawDropDownArrow(TCanvas* Canvas, int X, int Y, TColor Color) {
  Canvas->Pen()->SetColor(Color);
  Canvas->Brush()->SetColor(Color);
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Polygon({TPoint(X - 3, Y), TPoint(X + 3, Y), TPoint(X, Y + 3)});
}

void DrawDropDownButton(TCanvas* Canvas, TWinControl*, TRect Rc, double Scale, const TColorTones& Tones, int State,
                        int Kind) {
  const int w = int(Round(16 * Scale));
  TRect br(Rc.Right - w - 2, Rc.Top + 1, Rc.Right - 2, Rc.Bottom - 1);
  if (Kind == 3) {
    const TColorTone& tone = ToneOf(Tones, State);
    const TColor fill = tone.BrushColor == clNone ? clBtnFace : tone.BrushColor;
    SolidRect(Canvas, fill, br.Left + 3, br.Top, br.Right, br.Bottom);
    Canvas->Pen()->SetColor(tone.BorderColor == clNone ? clGray : tone.BorderColor);
    Line(Canvas, br.Left + 4, br.Top, br.Left + 4, br.Bottom);
    const TColor text = tone.TextColor == clNone ? clBtnText : tone.TextColor;
    Canvas->Pen()->SetColor(text);
    Canvas->Brush()->SetColor(text);
    Canvas->Polygon({TPoint(br.Left + 5, br.Top + 8), TPoint(br.Left + 11, br.Top + 8),
                     TPoint(br.Left + 8, br.Top + 11)});
    return;
  }
  RECT rc{br.Left, br.Top, br.Right, br.Bottom};
  UINT state = DFCS_SCROLLCOMBOBOX | (State == 3 ? DFCS_INACTIVE : 0);
  if (Kind == 2) state |= DFCS_FLAT;
  ::DrawFrameControl(Canvas->Handle(), &rc, DFC_SCROLL, state);
}

void DrawSpinButtons(TCanvas* Canvas, TWinControl*, TRect Rc, double Scale, const TColorTones& Tones, int State,
                     int Kind) {
  const int w = int(Round(15 * Scale));
  const int left = Rc.Right - w - 1;
  const int top = Rc.Top - 1;
  const int mid = top + (Rc.Bottom - top) / 2;
  TRect up(left, top, Rc.Right - 1, mid);
  TRect down(left, mid, Rc.Right - 1, Rc.Bottom - 1);
  if (Kind == 3) {
    const TColorTone& tone = ToneOf(Tones, State);
    const TColor fill = tone.BrushColor == clNone ? clBtnFace : tone.BrushColor;
    const TColor text = tone.TextColor == clNone ? clBtnText : tone.TextColor;
    for (const TRect& part : {up, down}) {
      Canvas->Brush()->SetColor(fill);
      Canvas->Pen()->SetColor(tone.BorderColor == clNone ? clGray : tone.BorderColor);
      Canvas->Rectangle(part);
    }
    Canvas->Pen()->SetColor(text);
    Canvas->Brush()->SetColor(text);
    const int cx = up.Left + (up.Right - up.Left) / 2;
    Canvas->Polygon({TPoint(cx - 3, up.Bottom - 3), TPoint(cx + 3, up.Bottom - 3), TPoint(cx, up.Bottom - 6)});
    Canvas->Polygon({TPoint(cx - 3, down.Top + 3), TPoint(cx + 3, down.Top + 3), TPoint(cx, down.Top + 6)});
    return;
  }
  const UINT extra = (State == 3 ? DFCS_INACTIVE : 0) | (Kind == 2 ? DFCS_FLAT : 0);
  RECT u{up.Left, up.Top, up.Right, up.Bottom};
  RECT d{down.Left, down.Top, down.Right, down.Bottom};
  ::DrawFrameControl(Canvas->Handle(), &u, DFC_SCROLL, DFCS_SCROLLUP | extra);
  ::DrawFrameControl(Canvas->Handle(), &d, DFC_SCROLL, DFCS_SCROLLDOWN | extra);
}

// ---------------------------------------------------------------------------
// Bitmaps

void DrawAlphaBitmap(TCanvas* Canvas, int X, int Y, TBitmap* Bitmap) {
  if (Bitmap == nullptr || Bitmap->Empty()) return;
  if (Bitmap->PixelFormat() != pf32bit) {
    Canvas->Draw(X, Y, Bitmap);
    return;
  }
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ::AlphaBlend(Canvas->Handle(), X, Y, Bitmap->Width(), Bitmap->Height(), Bitmap->Canvas()->Handle(), 0, 0,
               Bitmap->Width(), Bitmap->Height(), blend);
}

void DrawScaledTransparentBitmap(TCanvas* Canvas, TBitmap* Bitmap, TColor BackColor, double Scale, const TRect& Rc) {
  if (Bitmap == nullptr || Bitmap->Empty()) return;
  const int w = int(Round(Bitmap->Width() * Scale));
  const int h = int(Round(Bitmap->Height() * Scale));
  if (w <= 0 || h <= 0) return;
  TBitmap work;
  work.SetPixelFormat(pf24bit);
  work.SetSize(w, h);
  work.Canvas()->Brush()->SetColor(BackColor);
  work.Canvas()->FillRect(TRect(0, 0, w, h));
  if (Scale == 1.0) {
    const TColor key = Bitmap->Canvas()->Pixels(0, 0);
    ::TransparentBlt(work.Canvas()->Handle(), 0, 0, w, h, Bitmap->Canvas()->Handle(), 0, 0, Bitmap->Width(),
                     Bitmap->Height(), COLORREF(ColorToRGB(key)));
  } else {
    work.Canvas()->StretchDraw(TRect(0, 0, w, h), Bitmap);
  }
  Canvas->Draw(Rc.Left, Rc.Top, &work);
}

// ---------------------------------------------------------------------------
// Marks and indicators

void DrawErrorMarker(TCanvas* Canvas, const QString& Text, int Count, int Start, int YOffset, const TRect& Rc) {
  if (Count <= 0 || Start < 0 || Text.isEmpty()) return;
  // Where a one-line edit of the rectangle puts the characters: its text
  // starts at the left edge, one pixel in.
  auto position = [&](int index) {
    if (index >= Text.size()) return Canvas->TextWidth(Text.left(Text.size() - 1)) + 4;
    return Canvas->TextWidth(Text.left(index));
  };
  const int x1 = Rc.Left + 1 + position(Start);
  const int x2 = Rc.Left + 1 + position(Start + Count - 1);
  // The characters' top is the rectangle's; the wave runs under them.
  const int y = Rc.Top + YOffset + 3;
  Canvas->Pen()->SetColor(0x0000FF);
  Canvas->Pen()->SetWidth(2);
  Canvas->MoveTo(x1, y);
  bool down = true;
  for (int x = x1 + 3; x <= std::max(x2, x1 + 3); x += 3) {
    Canvas->LineTo(x, down ? y + 3 : y);
    down = !down;
  }
  Canvas->Pen()->SetWidth(1);
}

void DrawRangeIndicator(TCanvas* Canvas, TRect Rc, int Value, TColor PositiveColor, TColor NegativeColor,
                        bool ShowValue, int Range) {
  Rc = TRect(Rc.Left + 2, Rc.Top + 2, Rc.Right - 2, Rc.Bottom - 2);
  const int half = (Rc.Right - Rc.Left) / 2;
  const int middle = Rc.Left + half;
  // A range of 0 has no scale: no bar (and the value shows as 0).
  Range = std::abs(Range);
  Value = Range == 0 ? 0 : std::clamp(Value, -Range, Range);
  const int e = Range == 0 ? 0 : int(Round(double(half) * Value / Range));
  if (e > 0)
    SolidRect(Canvas, PositiveColor, middle, Rc.Top, middle + e, Rc.Bottom);
  else if (e < 0)
    SolidRect(Canvas, NegativeColor, middle + e, Rc.Top, middle, Rc.Bottom);
  if (ShowValue) {
    const QString text = QString::number(Value);
    const int mode = ::SetBkMode(Canvas->Handle(), TRANSPARENT);
    Canvas->TextOut(middle - Canvas->TextWidth(text) / 2, Rc.Top, text);
    ::SetBkMode(Canvas->Handle(), mode);
  }
}

QString ProgressBarText(const QString& FormatText, int Divider, int Max, int Min, double Value, int& Percent) {
  QString text;
  if (!FormatText.isEmpty()) {
    int at = FormatText.indexOf(u'd');
    if (at < 0) at = FormatText.indexOf(u'u');
    const QChar before = at > 0 ? FormatText[at - 1] : QChar();
    const bool integer = at > 0 && (before == u'%' || before == u'*' || before == u'.' || before.isDigit());
    if (Divider == 0) Divider = 1;
    try {
      if (integer)
        text = Format(FormatText, {TVarRec(int(Round(Round(Value) / double(Divider))))});
      else
        text = Format(FormatText, {TVarRec(Value / Divider)});
    } catch (const Exception&) {
      text = FormatText;
    }
    // A bar of no extent is empty.
    Percent = Max == Min ? 0 : int(Round((Value - Min) * 100 / (Max - Min)));
  } else {
    Percent = int(Round(Value));
    text = QString::number(Percent) + u'%';
  }
  Percent = std::clamp(Percent, 0, 100);
  return text;
}

void DrawProgressBar(TCanvas* Canvas, TRect Rc, TColor Color, bool TextLow, TColor FrameColor,
                     const QString& FormatText, int Divider, int Max, int Min, int MarginY, int MarginX,
                     double Value, TColor RemainingFontColor, TColor RemainingColor, TColor FontColor) {
  const TColor outer = Canvas->Brush()->Color();
  int percent = 0;
  const QString text = ProgressBarText(FormatText, Divider, Max, Min, Value, percent);
  Rc = TRect(Rc.Left + MarginX, Rc.Top + MarginY, Rc.Right - MarginX, Rc.Bottom - MarginY);
  if (Rc.Right <= Rc.Left || Rc.Bottom <= Rc.Top) return;
  const int done = Rc.Left + int(Round(percent * (Rc.Right - Rc.Left) / 100.0));
  const int th = Canvas->TextHeight(text.isEmpty() ? QStringLiteral("gh") : text);
  const int tx = Rc.Left + ((Rc.Right - Rc.Left) - Canvas->TextWidth(text)) / 2;
  const int ty = TextLow ? Rc.Top + (Rc.Bottom - Rc.Top) / 2 + th / 2 : Rc.Top + ((Rc.Bottom - Rc.Top) - th) / 2;
  auto part = [&](int L, int Rt, TColor Fill, TColor Ink) {
    if (Rt <= L) return;
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(Fill);
    Canvas->Font()->SetColor(Ink);
    Canvas->TextRect(TRect(L, Rc.Top, Rt, Rc.Bottom), tx, ty, text);
  };
  part(Rc.Left, done, Color, FontColor);
  part(done, Rc.Right, RemainingColor == clNone ? clWindow : RemainingColor, RemainingFontColor);
  Canvas->Brush()->SetStyle(bsClear);
  if (FrameColor != clNone) {
    Canvas->Pen()->SetColor(FrameColor);
    Canvas->Rectangle(Rc.Left - 1, Rc.Top - 1, Rc.Right + 1, Rc.Bottom + 1);
  }
  Canvas->Pen()->SetColor(outer);
  Canvas->Rectangle(Rc.Left - 2, Rc.Top - 2, Rc.Right + 2, Rc.Bottom + 2);
  Canvas->Brush()->SetStyle(bsSolid);
}

void DrawProgressPie(TCanvas* Canvas, const TRect& Rc, TColor Color, bool SeedAbove, int Percent) {
  const int w = Rc.Right - Rc.Left;
  const int h = Rc.Bottom - Rc.Top;
  const int cx = Rc.Left + w / 2;
  const int cy = Rc.Top + h / 2;
  const double angle = std::clamp(Percent, 0, 100) / 100.0 * 2 * M_PI;
  const int ex = cx + int(Round((w + 1) / 2.0 * std::sin(angle)));
  const int ey = cy - int(Round((h + 1) / 2.0 * std::cos(angle)));
  // The sector is drawn as a pie (what a flood fill bounded by the grey
  // outline gives), then the grey outline and the two radii over it.
  if (Percent > 0) {
    Canvas->Pen()->SetColor(Color);
    Canvas->Brush()->SetColor(Color);
    Canvas->Brush()->SetStyle(bsSolid);
    if (Percent >= 100)
      Canvas->Ellipse(Rc);
    else
      // Counter-clockwise from the end point to 12 o'clock is the clockwise
      // sector from 12 o'clock to the end point.
      Canvas->Pie(Rc.Left, Rc.Top, Rc.Right, Rc.Bottom, ex, ey, cx, Rc.Top);
  }
  (void)SeedAbove;
  Canvas->Pen()->SetColor(0x808080);
  Canvas->Pen()->SetWidth(1);
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->Ellipse(Rc);
  Canvas->Brush()->SetStyle(bsSolid);
  Line(Canvas, cx, Rc.Top, cx, cy);
  Line(Canvas, cx, cy, ex, ey);
}

void DrawCellProgress(TCanvas* Canvas, TRect Rc, int Percent, TGridProgressAppearance* A, TColor BackColor,
                      bool Vertical, TFont* Font, TColor FontColor) {
  if (A == nullptr) return;
  Percent = std::clamp(Percent, 0, 100);
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(BackColor);
  Canvas->Pen()->SetColor(A->ShowBorder() ? A->BorderColor() : BackColor);
  Canvas->Rectangle(Rc);
  const int z = (Vertical ? Rc.Bottom - Rc.Top : Rc.Right - Rc.Left) - 2;
  auto fillPart = [&](int from, int len, TColor c, TColor cTo) {
    if (len <= 0) return;
    TRect p = Vertical ? TRect(Rc.Left + 1, Rc.Bottom - 1 - from - len, Rc.Right - 1, Rc.Bottom - 1 - from)
                       : TRect(Rc.Left + 1 + from, Rc.Top + 1, Rc.Left + 1 + from + len, Rc.Bottom - 1);
    if (A->ShowGradient()) {
      TRect a = p, b = p;
      if (Vertical) {
        a.Right = p.Left + (p.Right - p.Left) / 2;
        b.Left = a.Right;
      } else {
        a.Bottom = p.Top + (p.Bottom - p.Top) / 2;
        b.Top = a.Bottom;
      }
      FillGradientRect(Canvas, cTo, c, Vertical, a, A->Steps());
      FillGradientRect(Canvas, c, cTo, Vertical, b, A->Steps());
    } else {
      SolidRect(Canvas, c, p.Left, p.Top, p.Right, p.Bottom);
    }
  };
  auto pct = [&](int p) { return int(Round(z * p / 100.0)); };
  if (Percent > 0 && A->Stacked()) {
    const int l0 = pct(std::min(Percent, A->Level1Perc()));
    fillPart(0, l0, A->Level0Color(), A->Level0ColorTo());
    if (Percent >= A->Level1Perc()) {
      const int l1 = pct(std::min(Percent, A->Level2Perc()) - A->Level1Perc());
      fillPart(l0, l1, A->Level1Color(), A->Level1ColorTo());
      if (Percent >= A->Level2Perc()) {
        const int l2 = Percent >= 100 ? z - l0 - l1 : pct(Percent - A->Level2Perc());
        fillPart(l0 + l1, l2, A->Level3Color(), A->Level3ColorTo());
      }
    }
  } else if (Percent > 0) {
    TColor c = A->Level2Color(), cTo = A->Level2ColorTo();
    if (Percent < A->Level1Perc()) {
      c = A->Level0Color();
      cTo = A->Level0ColorTo();
    } else if (Percent < A->Level2Perc()) {
      c = A->Level1Color();
      cTo = A->Level1ColorTo();
    } else if (Percent >= 100) {
      c = A->Level3Color();
      cTo = A->Level3ColorTo();
    }
    const int len = pct(Percent);
    if (A->CompletionSmooth()) {
      fillPart(0, len, c, cTo);
    } else if (len < 10) {
      if (len > 1) fillPart(0, len, c, cTo);
    } else {
      int at = 2;
      const int blocks = len / 9 - 1;
      fillPart(at, 7, c, cTo);
      for (int i = 0; i < blocks; ++i) {
        at += 9;
        fillPart(at, 7, c, cTo);
      }
      const int rest = len % 9;
      if (rest > 2) fillPart(at + 9, rest - 1, c, cTo);
    }
  }
  if (A->ShowPercentage() && Font != nullptr) {
    Canvas->Font()->Assign(Font);
    Canvas->Font()->SetColor(FontColor);
    const QString text = QString::number(Percent) + u'%';
    const int mode = ::SetBkMode(Canvas->Handle(), TRANSPARENT);
    if (Vertical) {
      Canvas->Font()->SetOrientation(900);
      const int tw = Canvas->TextWidth(text);
      const int th = Canvas->TextHeight(text);
      Canvas->TextOut(Rc.Left + ((Rc.Right - Rc.Left) - th) / 2, Rc.Top + ((Rc.Bottom - Rc.Top) + tw) / 2, text);
      Canvas->Font()->SetOrientation(0);
    } else {
      Canvas->TextOut(Rc.Left + ((Rc.Right - Rc.Left) - Canvas->TextWidth(text)) / 2,
                      Rc.Top + ((Rc.Bottom - Rc.Top) - Canvas->TextHeight(text)) / 2, text);
    }
    ::SetBkMode(Canvas->Handle(), mode);
  }
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->Pen()->SetColor(A->ShowBorder() ? A->BorderColor() : BackColor);
  Canvas->Rectangle(Rc);
  Canvas->Brush()->SetStyle(bsSolid);
}

// ---------------------------------------------------------------------------
// Shapes

QVector<TPoint> CellShapePoints(int Left, int Top, TCellShape Shape, int H, int W) {
  if (Shape == csCircle || Shape == csSquare || Shape == csRoundSquare) W = H = std::min(W, H);
  const int w2 = W / 2, h2 = H / 2;
  const int we = W & ~1, he = H & ~1;
  const int l = Left, t = Top;
  auto star = [&](bool half) {
    QVector<TPoint> pts;
    const int cx = l + w2, cy = t + h2;
    for (int i = 0; i < 10; ++i) {
      const double a = i * 36 * M_PI / 180;
      const bool outer = i % 2 == 0;
      const double rx = outer ? w2 : w2 / 3.0, ry = outer ? h2 : h2 / 3.0;
      const TPoint p(cx + int(Round(rx * std::sin(a))), cy - int(Round(ry * std::cos(a))));
      // The left half: the top point, the inner point at 180 degrees and
      // the points from 216 degrees on.
      if (!half || i == 0 || i >= 5) pts << p;
    }
    return pts;
  };
  switch (Shape) {
    case csTriangleLeft: return {TPoint(l + W, t), TPoint(l + W, t + H), TPoint(l, t + h2)};
    case csTriangleRight: return {TPoint(l, t), TPoint(l, t + H), TPoint(l + W, t + h2)};
    case csTriangleUp: return {TPoint(l, t + H), TPoint(l + W, t + H), TPoint(l + w2, t)};
    case csTriangleDown: return {TPoint(l, t), TPoint(l + W, t), TPoint(l + w2, t + H)};
    case csDiamond: return {TPoint(l, t + h2), TPoint(l + w2, t), TPoint(l + 2 * w2, t + h2), TPoint(l + w2, t + 2 * h2)};
    case csStar: return star(false);
    case csHalfStar: return star(true);
    case csArrowUp:
      return {TPoint(l, t + h2),          TPoint(l + we / 2, t),         TPoint(l + we, t + h2),
              TPoint(l + 3 * we / 4, t + h2), TPoint(l + 3 * we / 4, t + H), TPoint(l + we / 4, t + H),
              TPoint(l + we / 4, t + h2)};
    case csArrowDown:
      return {TPoint(l, t + H - h2),          TPoint(l + we / 2, t + H),     TPoint(l + we, t + H - h2),
              TPoint(l + 3 * we / 4, t + H - h2), TPoint(l + 3 * we / 4, t), TPoint(l + we / 4, t),
              TPoint(l + we / 4, t + H - h2)};
    case csArrowLeft:
      return {TPoint(l, t + he / 2),          TPoint(l + w2, t),             TPoint(l + w2, t + he / 4),
              TPoint(l + W, t + he / 4),      TPoint(l + W, t + 3 * he / 4), TPoint(l + w2, t + 3 * he / 4),
              TPoint(l + w2, t + he)};
    case csArrowRight:
      return {TPoint(l + W, t + he / 2),      TPoint(l + W - w2, t),         TPoint(l + W - w2, t + he / 4),
              TPoint(l, t + he / 4),          TPoint(l, t + 3 * he / 4),     TPoint(l + W - w2, t + 3 * he / 4),
              TPoint(l + W - w2, t + he)};
    default: return {};
  }
}

void DrawCellShape(TCanvas* Canvas, int Left, int Top, TColor PenColor, TColor BrushColor, TCellShape Shape,
                   int H, int W) {
  Canvas->Pen()->SetColor(PenColor);
  Canvas->Pen()->SetWidth(1);
  Canvas->Brush()->SetColor(BrushColor);
  Canvas->Brush()->SetStyle(bsSolid);
  int w = W, h = H;
  if (Shape == csCircle || Shape == csSquare || Shape == csRoundSquare) w = h = std::min(W, H);
  switch (Shape) {
    case csRectangle:
    case csSquare: Canvas->Rectangle(Left + 1, Top + 1, Left + w - 1, Top + h - 1); return;
    case csCircle:
    case csEllips: Canvas->Ellipse(Left, Top, Left + w, Top + h); return;
    case csLineVert: SolidRect(Canvas, BrushColor, Left + w / 2, Top, Left + w / 2 + 1, Top + h); return;
    case csLineHorz: SolidRect(Canvas, BrushColor, Left, Top + h / 2, Left + w, Top + h / 2 + 1); return;
    case csRoundRect:
    case csRoundSquare: Canvas->RoundRect(Left, Top, Left + w, Top + h, 10, 10); return;
    default: break;
  }
  const QVector<TPoint> pts = CellShapePoints(Left, Top, Shape, H, W);
  if (!pts.isEmpty()) Canvas->Polygon(std::span<const TPoint>(pts.constData(), size_t(pts.size())));
}
