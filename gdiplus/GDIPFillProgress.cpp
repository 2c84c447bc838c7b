// TGDIPProgress: the progress bar's appearance and its painting.

#include <cmath>

#include "gdiplus/GDIPFill.h"
#include "platform/rtl/SysUtils.h"

using namespace KitGDIP;

namespace {
TGPRectF Grown(const TGPRectF& R) { return MakeRectF(R.X - 1, R.Y - 1, R.Width + 2, R.Height + 2); }

// A linear gradient from colour A to B over Span, painted into R.
void FillGradient(TGPGraphics* g, const TGPRectF& R, ARGB A, ARGB B, LinearGradientMode Mode) {
  if (R.Width <= 0 || R.Height <= 0) return;
  TGPLinearGradientBrush brush(Grown(R), A, B, Mode);
  g->FillRectangle(&brush, R);
}

int ScaledHeight(int Height, float Scale) { return int(std::nearbyint(double(Height) * double(Scale))); }
}  // namespace

TF_PUBLISHED(TGDIPProgress, TPersistent) {
  using P = TGDIPProgress;
  return TPublished<P>()
      .Boolean("Transparent", &P::Transparent, &P::SetTransparent)
      .Default(false)
      .Boolean("Shadows", &P::Shadows, &P::SetShadows)
      .Default(true)
      .Boolean("Overlays", &P::Overlays, &P::SetOverlays)
      .Default(true)
      .Object("BackGroundFill", &P::BackGroundFill, &P::SetBackGroundFill)
      .Object("ProgressFill", &P::ProgressFill, &P::SetProgressFill)
      .Object("Font", &P::Font, &P::SetFont)
      .Object("ProgressFont", &P::ProgressFont, &P::SetProgressFont)
      .String("ValueFormat", &P::ValueFormat, &P::SetValueFormat)
      .Enum("ValueType", &P::ValueType, &P::SetValueType)
      .Default(vtAbsolute)
      .Enum("ValuePosition", &P::ValuePosition, &P::SetValuePosition)
      .Default(vpCenter)
      .Integer("ValuePositionLeft", &P::ValuePositionLeft, &P::SetValuePositionLeft)
      .Default(0)
      .Integer("ValuePositionTop", &P::ValuePositionTop, &P::SetValuePositionTop)
      .Default(0)
      .Boolean("ValueVisible", &P::ValueVisible, &P::SetValueVisible)
      .Default(false)
      .Event("OnChange", &P::OnChange)
      .Event("OnDrawValue", &P::OnDrawValue);
}

TGDIPProgress::TGDIPProgress()
    : FBackGroundFill(std::make_unique<TGDIPFill>()),
      FProgressFill(std::make_unique<TGDIPFill>()),
      FFont(std::make_unique<TFont>()),
      FProgressFont(std::make_unique<TFont>()) {
  FFont->SetHeight(-11);
  FProgressFont->SetHeight(-11);
  FBackGroundFill->OnChange = [this](TObject*) { Changed(); };
  FProgressFill->OnChange = [this](TObject*) { Changed(); };
  FFont->OnChange = [this](TObject*) { Changed(); };
  FProgressFont->OnChange = [this](TObject*) { Changed(); };
}

TGDIPProgress::~TGDIPProgress() = default;

void TGDIPProgress::Changed() {
  if (OnChange) OnChange(this);
}

void TGDIPProgress::Assign(TPersistent* Source) {
  auto* other = dynamic_cast<TGDIPProgress*>(Source);
  if (!other || other == this) return;
  FBackGroundFill->Assign(other->FBackGroundFill.get());
  FProgressFill->Assign(other->FProgressFill.get());
  FValueFormat = other->FValueFormat;
  FValueType = other->FValueType;
  FValuePositionTop = other->FValuePositionTop;
  FValuePositionLeft = other->FValuePositionLeft;
  FValuePosition = other->FValuePosition;
  FValueVisible = other->FValueVisible;
  FFont->Assign(other->FFont.get());
  FProgressFont->Assign(other->FProgressFont.get());
  FTransparent = other->FTransparent;
  FShadows = other->FShadows;
  FOverlays = other->FOverlays;
}

#define TF_PROGRESS_SETTER(Name, Type, Field) \
  void TGDIPProgress::Set##Name(Type Value) {  \
    if (Field == Value) return;               \
    Field = Value;                            \
    Changed();                                \
  }
TF_PROGRESS_SETTER(Transparent, bool, FTransparent)
TF_PROGRESS_SETTER(Shadows, bool, FShadows)
TF_PROGRESS_SETTER(Overlays, bool, FOverlays)
TF_PROGRESS_SETTER(ValueFormat, const QString&, FValueFormat)
TF_PROGRESS_SETTER(ValueType, TGDIPProgressValueType, FValueType)
TF_PROGRESS_SETTER(ValuePosition, TGDIPProgressValuePosition, FValuePosition)
TF_PROGRESS_SETTER(ValuePositionLeft, int, FValuePositionLeft)
TF_PROGRESS_SETTER(ValuePositionTop, int, FValuePositionTop)
TF_PROGRESS_SETTER(ValueVisible, bool, FValueVisible)
#undef TF_PROGRESS_SETTER

void TGDIPProgress::SetBackGroundFill(TGDIPFill* Value) {
  if (Value && Value != FBackGroundFill.get()) FBackGroundFill->Assign(Value);
}
void TGDIPProgress::SetProgressFill(TGDIPFill* Value) {
  if (Value && Value != FProgressFill.get()) FProgressFill->Assign(Value);
}
void TGDIPProgress::SetFont(TFont* Value) {
  if (Value && Value != FFont.get()) FFont->Assign(Value);
}
void TGDIPProgress::SetProgressFont(TFont* Value) {
  if (Value && Value != FProgressFont.get()) FProgressFont->Assign(Value);
}

// ---------------------------------------------------------------------------
// Geometry

TRect TGDIPProgress::GetInsideRect(const TRect& r) const {
  TRect i(r.Left, r.Top, r.Right - 1, r.Bottom - 1);
  if (FBackGroundFill->BorderColor() != clNone) {
    const int inset = (FBackGroundFill->BorderWidth() + 1) / 2;
    i = TRect(i.Left + inset, i.Top + inset, i.Right - inset, i.Bottom - inset);
  }
  return i;
}

TGDIPProgress::TGPRectF TGDIPProgress::GetInsideRectF(const TRect& r) const {
  const TRect i = GetInsideRect(r);
  return MakeRectF(REAL(i.Left), REAL(i.Top), REAL(i.Right - i.Left), REAL(i.Bottom - i.Top));
}

TGDIPProgress::TGPRectF TGDIPProgress::CalculateProgressRectangle(const TRect& r, double min, double max, double pos,
                                                                  TGDIPProgressDirection Direction) const {
  const double range = max - min;
  const double f = range > 0 ? (pos - min) / range : 0.0;
  const bool bordered = FProgressFill->BorderColor() != clNone && FProgressFill->BorderWidth() != 0;
  const double b = bordered ? FProgressFill->BorderWidth() : 0;
  const TRect i = GetInsideRect(r);
  if (Direction == pbdHorizontal) {
    const double available = (bordered ? i.Right - b : i.Right) - i.Left;
    const double extent = std::min(available, f * available);
    if (bordered) return MakeRectF(REAL(i.Left + b / 2), REAL(i.Top + b / 2), REAL(extent), REAL(i.Bottom - b - i.Top));
    return MakeRectF(REAL(i.Left), REAL(i.Top), REAL(extent), REAL(i.Bottom - i.Top));
  }
  const double available = (bordered ? i.Bottom - b : i.Bottom) - i.Top;
  const double extent = std::min(available, f * available);
  if (bordered)
    return MakeRectF(REAL(i.Left + b / 2), REAL(i.Bottom - b / 2 - extent), REAL(i.Right - b - i.Left), REAL(extent));
  return MakeRectF(REAL(i.Left), REAL(i.Bottom - extent), REAL(i.Right - i.Left), REAL(extent));
}

// ---------------------------------------------------------------------------
// Painting

void TGDIPProgress::Draw(TGPGraphics* g, const TRect& r, double min, double max, double position,
                         TGDIPProgressDirection Direction, float ADPIScale) {
  if (!g) return;
  const int w = r.Right - r.Left, h = r.Bottom - r.Top;
  const bool bgBorder = FBackGroundFill->BorderWidth() != 0 && FBackGroundFill->BorderColor() != clNone;
  const TGPRectF background = bgBorder ? MakeRectF(REAL(r.Left), REAL(r.Top), REAL(w - 1), REAL(h - 1))
                                       : MakeRectF(REAL(r.Left - 1), REAL(r.Top - 1), REAL(w + 1), REAL(h + 1));
  if (!FTransparent) FBackGroundFill->Fill(g, background);
  if (position > min) {
    const TGPRectF p = CalculateProgressRectangle(r, min, max, position, Direction);
    FProgressFill->Fill(g, p);
    if ((Direction == pbdHorizontal ? p.Width : p.Height) > 0) DrawShadows(g, p, Direction);
  }
  if (!FTransparent) DrawShadows(g, GetInsideRectF(r), Direction);
  if (FValueVisible) DrawValue(g, r, min, max, position, Direction, ADPIScale);
  if (!FTransparent && FOverlays) DrawOverlays(g, r, Direction);
}

void TGDIPProgress::DrawShadows(TGPGraphics* g, const TGPRectF& R, TGDIPProgressDirection Direction) {
  if (!FShadows) return;
  const ARGB dark = MakeArgb(30, 0, 0, 0), clear = MakeArgb(0, 0, 0, 0);
  if (Direction == pbdHorizontal) {
    FillGradient(g, MakeRectF(R.X, R.Y, 10, R.Height), dark, clear, LinearGradientModeHorizontal);
    FillGradient(g, MakeRectF(R.X + R.Width - 10, R.Y, 10, R.Height), clear, dark, LinearGradientModeHorizontal);
  } else {
    FillGradient(g, MakeRectF(R.X, R.Y, R.Width, 10), dark, clear, LinearGradientModeVertical);
    FillGradient(g, MakeRectF(R.X, R.Y + R.Height - 10, R.Width, 10), clear, dark, LinearGradientModeVertical);
  }
}

void TGDIPProgress::DrawOverlays(TGPGraphics* g, const TRect& r, TGDIPProgressDirection Direction) {
  const TGPRectF i = GetInsideRectF(r);
  const REAL w = i.Width, h = i.Height;
  auto white = [](Byte a) { return MakeArgb(a, 255, 255, 255); };
  if (Direction == pbdHorizontal) {
    FillGradient(g, MakeRectF(i.X, i.Y, w, h / 2.5f), white(180), white(0), LinearGradientModeVertical);
    FillGradient(g, MakeRectF(i.X, i.Y + h - h / 5, w, h / 5), white(0), white(255), LinearGradientModeVertical);
  } else {
    FillGradient(g, MakeRectF(i.X, i.Y, w / 2.5f, h), white(180), white(0), LinearGradientModeHorizontal);
    FillGradient(g, MakeRectF(i.X + w - w / 5, i.Y, w / 5, h), white(0), white(255), LinearGradientModeHorizontal);
  }
}

QString TGDIPProgress::ValueText(double min, double max, double position) {
  double pos = position;
  if (pos < min) pos = min;
  if (pos > max) pos = max;
  double value = pos;
  if (FValueType == vtPercentage) value = min >= max ? max : (pos - min) / (max - min) * 100.0;
  QString text = Format(FValueFormat, {value});
  if (OnDrawValue) OnDrawValue(this, FValueFormat, text);
  return text;
}

TFont* TGDIPProgress::ValueFontAt(const TGPRectF& P, double X, double Y, double Width, double Height,
                                  TGDIPProgressDirection Direction) const {
  const bool over = Direction == pbdHorizontal ? P.X + P.Width > X + Width / 2 : P.Y + P.Height > Y + Height / 2;
  return over ? FProgressFont.get() : FFont.get();
}

void TGDIPProgress::DrawValue(TGPGraphics* g, const TRect& r, double min, double max, double position,
                              TGDIPProgressDirection Direction, float ADPIScale) {
  double pos = position;
  if (pos < min) pos = min;
  if (pos > max) pos = max;
  const QString text = ValueText(min, max, position);
  if (text.isEmpty()) return;

  TFont measureFont;
  measureFont.Assign(FFont.get());
  measureFont.SetHeight(ScaledHeight(FFont->Height(), ADPIScale));
  const TGPRectF inside = GetInsideRectF(r);
  TGPRectF box{};
  {
    std::unique_ptr<TGPFont> font(g->MakeFont(&measureFont));
    g->MeasureString(text, -1, font.get(), inside, box);
  }
  const double tw = box.Width, th = box.Height;
  const TGPRectF p = CalculateProgressRectangle(r, min, max, pos, Direction);

  double x = 0, y = 0;
  if (Direction == pbdHorizontal) {
    double yOffset = (inside.Height - th) / 2;
    switch (FValuePosition) {
      case vpProgressCenter: x = tw > p.Width ? inside.X : inside.X + (p.Width - tw) / 2; break;
      case vpProgressRight: x = tw > p.Width ? inside.X : inside.X + p.Width - tw; break;
      case vpCenter: x = r.Left + (inside.Width - tw) / 2; break;
      case vpLeft: x = inside.X; break;
      case vpRight: x = r.Left + inside.Width - tw; break;
      case vpCustom:
        x = r.Left + FValuePositionLeft;
        yOffset = FValuePositionTop;
        break;
    }
    y = r.Top + yOffset;
  } else {
    double xOffset = (inside.Width - tw) / 2;
    switch (FValuePosition) {
      case vpProgressCenter: y = th > p.Height ? inside.Y : inside.Y + (p.Height - th) / 2; break;
      case vpProgressRight: y = th > p.Height ? inside.Y : inside.Y + p.Height - th; break;
      case vpCenter: y = r.Top + (inside.Height - th) / 2; break;
      case vpLeft: y = inside.Y; break;
      case vpRight: y = r.Top + inside.Height - th; break;
      case vpCustom:
        y = r.Top + FValuePositionTop;
        xOffset = FValuePositionLeft;
        break;
    }
    x = r.Left + xOffset;
  }

  TFont* chosen = ValueFontAt(p, x, y, tw, th, Direction);
  TFont drawFont;
  drawFont.Assign(chosen);
  drawFont.SetHeight(ScaledHeight(chosen->Height(), ADPIScale));
  std::unique_ptr<TGPFont> font(g->MakeFont(&drawFont));
  TGPSolidBrush brush(ColorToArgbWithAlpha(255, drawFont.Color()));
  const std::u16string s = text.toStdU16String();
  g->DrawString(s.c_str(), int(s.size()), font.get(), TGPPointF{REAL(x), REAL(y)}, &brush);
}
