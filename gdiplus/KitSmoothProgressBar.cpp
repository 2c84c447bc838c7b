// The smooth progress bar: easing, glow, marquee, styles and painting.

#include "gdiplus/KitSmoothProgressBar.h"

#include <cmath>

#include "platform/rtl/ComponentStreaming.h"

using namespace KitGDIP;

namespace {
constexpr double kSettled = 0.000001;

double StepTowards(double From, double To, double Step) {
  if (From < To) return std::min(From + Step, To);
  return std::max(From - Step, To);
}

// One row of the component styles' colour table.
struct TStyleColors {
  TVDXStyle Style;
  TColor BgColor, BgColorTo, BgBorder;
  TColor Pf[4];
  TColor PfBorder;
  int MirrorType;     // -1: unchanged
  bool Flat;          // overlays and shadows off
  TColor FontColor;   // clNone: clWindowText stays
};

constexpr TColor N = clNone;
constexpr int V = KitGDIP::gtVertical;
const TStyleColors kStyleColors[] = {
    {tsOffice2003Blue, 0xFFD2AF, 0xFFD2AF, 0xC0C0C0, {0xFCE1CB, 0xE0A57D, N, N}, 0x962D00, V, false, N},
    {tsOffice2003Silver, 0xE6D8D8, 0xE6D8D8, 0xC0C0C0, {0xECE2E1, 0xB39698, N, N}, 0x947C7C, V, false, N},
    {tsOffice2003Olive, 0xCFF0EA, 0xCFF0EA, 0xC0C0C0, {0xCFF0EA, 0x8CC0B1, N, N}, 0x588060, V, false, N},
    {tsOffice2003Classic, 0xF2F2F2, 0xF2F2F2, 0xC0C0C0, {0xFFFFFF, 0xC9D1D5, N, N}, 0x808080, V, false, N},
    {tsOffice2007Luna, 0xFFD2AF, 0xFFD2AF, 0xC0C0C0, {0xFFEFE3, 0xFFDDC4, 0xFFD1AD, 0xFFDBC0}, 0xFFD1AD, V, false, N},
    {tsOffice2007Obsidian, 0x5C534C, 0x5C534C, 0xC0C0C0, {0xF9F8F8, 0xE4E2DF, 0xD1CBC7, 0xE2DEDB}, 0x000000, V, false,
     N},
    {tsWindowsXP, 0xB6B6B6, 0xB6B6B6, 0xC0C0C0, {0xFFFFFF, clBtnFace, N, N}, 0x000000, V, false, N},
    {tsWhidbey, 0xF5F9FA, 0xF5F9FA, 0xC0C0C0, {0xF5F9FA, 0xA8C0C0, N, N}, 0x962D00, V, false, N},
    {tsOffice2007Silver, 0xCAC1BA, 0xCAC1BA, 0xC0C0C0, {0xFAEEEB, 0xE5DBD7, 0xE2D8D4, 0xD1C7C5}, 0x000000, V, false, N},
    {tsWindowsVista, 0xFDF8F1, 0xFDF8F1, 0xFDDE99, {0xFDF8F1, 0xFCEFD5, N, N}, 0xFDDE99, V, false, N},
    {tsWindows7, 0xFDF8F1, 0xFDF8F1, 0xFDDE99, {0xFDFBFA, 0xFDF3EB, N, N}, 0xFBD6B8, V, false, N},
    {tsTerminal, clBtnFace, clBtnFace, 0x808080, {0xC0C0C0, 0xC0C0C0, N, N}, 0x808080, -1, false, N},
    {tsOffice2010Blue, 0xFDF6EF, 0xF0DAC7, 0xC7B29F, {0xEDDBCD, N, N, N}, 0x5B391E, V, false, N},
    {tsOffice2010Silver, 0xFFFFFF, 0xEDE5E0, 0xD2CDC8, {0xEDE9E5, N, N, N}, 0x7C6D66, V, false, N},
    {tsOffice2010Black, 0xBFBFBF, 0x919191, 0xD7D7D6, {0x828282, N, N, N}, 0x6D6D6D, V, false, N},
    {tsWindows8, 0xF7F6F5, 0xF7F6F5, 0xE4E3E2, {0xF7E0C9, N, N, N}, N, V, true, N},
    {tsWindows10, 0xF7F6F5, 0xF7F6F5, 0xE4E3E2, {0xF7E0C9, N, N, N}, N, V, true, N},
    {tsOffice2013White, 0xFFFFFF, 0xFFFFFF, 0xD4D4D4, {0xFCE2C8, N, N, N}, N, V, true, N},
    {tsOffice2013LightGray, 0xF6F6F6, 0xF6F6F6, 0xC6C6C6, {0xFCE2C8, N, N, N}, N, V, true, N},
    {tsOffice2013Gray, 0xE5E5E5, 0xE5E5E5, 0xABABAB, {0xFCE2C8, N, N, N}, N, V, true, N},
    {tsOffice2016White, 0xFFFFFF, 0xFFFFFF, 0xD4D4D4, {0xE3BDA3, N, N, N}, 0xE3BDA3, V, true, N},
    {tsOffice2016Gray, 0xB2B2B2, 0xB2B2B2, 0x444444, {0xE3BDA3, N, N, N}, 0xE3BDA3, V, true, N},
    {tsOffice2016Black, 0x363636, 0x363636, 0x444444, {0x6A6A6A, N, N, N}, 0x6A6A6A, V, true, N},
    {tsOffice2019White, 0xFFFFFF, 0xFFFFFF, 0xABABAB, {0xE3BDA3, N, N, N}, 0xE3BDA3, KitGDIP::gtNone, true, 0x444648},
    {tsOffice2019Gray, 0xB8BBBE, 0xB8BBBE, 0x808080, {0x666666, N, N, N}, 0x666666, KitGDIP::gtNone, true, 0x232425},
    {tsOffice2019Black, 0x303132, 0x303132, 0x686868, {0x828282, N, N, N}, 0x828282, KitGDIP::gtNone, true, 0xFFFFFF},
};
}  // namespace

TF_PUBLISHED(TKitSmoothProgressBar, TComponent) {
  using B = TKitSmoothProgressBar;
  return TPublished<B>()
      .Float("Step", &B::Step, &B::SetStep)
      .Float("Minimum", &B::Minimum, &B::SetMinimum)
      .Float("Maximum", &B::Maximum, &B::SetMaximum)
      .Float("Position", &B::Position, &B::SetPosition)
      .Boolean("GlowAnimation", &B::GlowAnimation, &B::SetGlowAnimation)
      .Default(true)
      .Boolean("ProgressAnimation", &B::ProgressAnimation, &B::SetProgressAnimation)
      .Default(true)
      .Object("Appearance", &B::Appearance, &B::SetAppearance)
      .String("Version", &B::GetVersion, &B::SetVersion)
      .Enum("Style", &B::Style, &B::SetStyle)
      .Default(pbstNormal)
      .Integer("MarqueeInterval", &B::MarqueeInterval, &B::SetMarqueeInterval)
      .Default(10)
      .Color("MarqueeColor", &B::MarqueeColor, &B::SetMarqueeColor)
      .Default(0x00FF00)
      .Integer("MarqueeSize", &B::MarqueeSize, &B::SetMarqueeSize)
      .Default(60)
      .Event("OnDrawValue", &B::OnDrawValue)
      .Enum("Direction", &B::Direction, &B::SetDirection)
      .Default(pbdHorizontal)
      .Event("OnChange", &B::OnChange)
      .Event("OnPositionChanged", &B::OnPositionChanged)
      .Enum("UIStyle", &B::UIStyle, &B::SetUIStyle)
      .Default(tsCustom);
}

TF_MESSAGE_MAP(TKitSmoothProgressBar, TWinControl) {
  return {
      TF_MESSAGE(WM_ERASEBKGND, WMEraseBkgnd),
  };
}

TKitSmoothProgressBar::TKitSmoothProgressBar(TComponent* AOwner)
    : TCustomControl(AOwner), FAppearance(std::make_unique<TGDIPProgress>()) {
  FAppearance->OnDrawValue = [this](TObject*, const QString& ValueFormat, QString& ValueText) {
    if (OnDrawValue) OnDrawValue(FAppearance.get(), ValueFormat, ValueText);
  };
  FAppearance->OnChange = [this](TObject*) { PictureChanged(); };
  FAnimateTimer = std::make_unique<TTimer>(nullptr);
  FAnimateTimer->SetInterval(10);
  FAnimateTimer->SetOnTimer([this](TObject*) { AnimationTick(); });
  FAnimateTimer->SetEnabled(true);
  FMarqueeTimer = std::make_unique<TTimer>(nullptr);
  FMarqueeTimer->SetEnabled(false);
  FMarqueeTimer->SetInterval(10);
  FMarqueeTimer->SetOnTimer([this](TObject*) { MarqueeTick(); });
  SetTabStop(true);
  SetBounds(Left(), Top(), 150, 17);
}

void TKitSmoothProgressBar::AfterConstruction() {
  TCustomControl::AfterConstruction();
  TComponent* owner = Owner();
  FDesignTime = ComponentState().Contains(csDesigning) &&
                !(owner && (owner->ComponentState().Contains(csReading) ||
                            owner->ComponentState().Contains(csLoading)));
  if (FDesignTime) SetComponentStyle(GetFormStylerStyle(owner, tsOffice2019White));
  FUIStyle = tsCustom;
}

TKitSmoothProgressBar::~TKitSmoothProgressBar() {
  // No tick after this: the timers stop before the appearance goes.
  FAnimateTimer->SetEnabled(false);
  FMarqueeTimer->SetEnabled(false);
  FAppearance.reset();
}

QString TKitSmoothProgressBar::GetVersion() const {
  const int n = GetVersionNr();
  return QStringLiteral("%1.%2.%3.%4").arg((n >> 24) & 0xFF).arg((n >> 16) & 0xFF).arg((n >> 8) & 0xFF).arg(n & 0xFF);
}

void TKitSmoothProgressBar::Assign(TPersistent* Source) {
  auto* other = dynamic_cast<TKitSmoothProgressBar*>(Source);
  if (!other) {
    TCustomControl::Assign(Source);
    return;
  }
  FStep = other->FStep;
  FMinimum = other->FMinimum;
  FMaximum = other->FMaximum;
  FPosition = other->FPosition;
  FGlowAnimation = other->FGlowAnimation;
  FProgressAnimation = other->FProgressAnimation;
  FAppearance->Assign(other->FAppearance.get());
  FStyle = other->FStyle;
  FMarqueeInterval = other->FMarqueeInterval;
  FMarqueeColor = other->FMarqueeColor;
  FMarqueeSize = other->FMarqueeSize;
  PictureChanged();
}

void TKitSmoothProgressBar::DefineProperties(TFiler* Filer) {
  TCustomControl::DefineProperties(Filer);
  // Kept for streams of earlier versions: always written as 0, read and
  // dropped.
  Filer->DefineProperty(
      QStringLiteral("VDXStyle"), [](TReader* Reader) { Reader->ReadInteger(); },
      [](TWriter* Writer) { Writer->WriteInteger(0); }, true);
}

bool TKitSmoothProgressBar::ProgressAnimationActive() const {
  return !FDesignTime && !ComponentState().Contains(csDesigning) && !ComponentState().Contains(csLoading) &&
         FProgressAnimation;
}

bool TKitSmoothProgressBar::GlowAnimationActive() const {
  return !FDesignTime && !ComponentState().Contains(csDesigning) && !ComponentState().Contains(csLoading) &&
         FGlowAnimation;
}

bool TKitSmoothProgressBar::AnimationInProgress() const {
  return ProgressAnimationActive() && std::fabs(FAnimatePosition - FNextPosition) >= 0.001;
}

void TKitSmoothProgressBar::PictureChanged() {
  if (HandleAllocated()) Invalidate();
}

void TKitSmoothProgressBar::SetPosition(double Value) {
  const bool wasAnimating = AnimationInProgress() && ProgressAnimationActive();
  double target = Value;
  if (target < FMinimum) target = FMinimum;
  if (target > FMaximum) target = FMaximum;
  FNextPosition = target;
  if (wasAnimating) {
    FPosition = FAnimatePosition = FNextPosition;
    PictureChanged();
  }
  if (ProgressAnimationActive()) {
    FAnimating = true;
    return;
  }
  FPosition = FAnimatePosition = FNextPosition;
  if (OnPositionChanged) OnPositionChanged(this, FNextPosition);
  PictureChanged();
}

void TKitSmoothProgressBar::AnimationTick() {
  if ((ProgressAnimationActive() && FAnimating) || FNextPosition != FAnimatePosition) {
    const double step = std::max(kSettled, std::fabs(FNextPosition - FAnimatePosition) / 15.0);
    if (std::fabs(FAnimatePosition - FNextPosition) < kSettled) {
      FAnimating = false;
      FPosition = FAnimatePosition = FNextPosition;
      if (OnPositionChanged) OnPositionChanged(this, FNextPosition);
    } else {
      FAnimatePosition = StepTowards(FAnimatePosition, FNextPosition, step);
      FPosition = FAnimatePosition;
      if (OnPositionChanged) OnPositionChanged(this, FAnimatePosition);
    }
    PictureChanged();
  }
  if (FPosition > FMinimum && GlowAnimationActive()) {
    const int before = FGlowPos;
    if (FGlowCount >= 1500) FGlowPos += 3;
    const TGPRectF p = FAppearance->CalculateProgressRectangle(FLastClientRect, FMinimum, FMaximum, FPosition,
                                                               FDirection);
    if (FGlowPos > (FDirection == pbdHorizontal ? p.Width : p.Height)) {
      FGlowCount = 0;
      FGlowPos = -40;
    } else {
      FGlowCount += 10;
    }
    // The band only shows while it moves; waiting between passes changes
    // nothing on the screen.
    if (FGlowPos != before) PictureChanged();
  }
}

void TKitSmoothProgressBar::MarqueeTick() {
  if (FDesignTime || ComponentState().Contains(csDestroying)) return;
  FGlowPos += 8;
  const int extent = FDirection == pbdHorizontal ? Width() : Height();
  if (FGlowPos > extent + 2 * FMarqueeSize) {
    FGlowCount = 0;
    FGlowPos = -2 * FMarqueeSize;
  }
  PictureChanged();
}

// ---------------------------------------------------------------------------
// Setters

void TKitSmoothProgressBar::SetStep(double Value) {
  if (Value == FStep) return;
  FStep = Value;
  PictureChanged();
}

void TKitSmoothProgressBar::SetDirection(TGDIPProgressDirection Value) {
  if (Value == FDirection) return;
  FDirection = Value;
  PictureChanged();
}

void TKitSmoothProgressBar::SetGlowAnimation(bool Value) {
  if (Value == FGlowAnimation) return;
  FGlowAnimation = Value;
  PictureChanged();
}

void TKitSmoothProgressBar::SetMarqueeColor(TColor Value) {
  if (Value == FMarqueeColor) return;
  FMarqueeColor = Value;
  PictureChanged();
}

void TKitSmoothProgressBar::SetMarqueeSize(int Value) {
  if (Value == FMarqueeSize) return;
  FMarqueeSize = Value;
  PictureChanged();
}

void TKitSmoothProgressBar::SetMarqueeInterval(int Value) {
  if (Value == FMarqueeInterval) return;
  FMarqueeInterval = Value;
  FMarqueeTimer->SetInterval(Cardinal(std::max(0, Value)));
  PictureChanged();
}

void TKitSmoothProgressBar::SetStyle(TProgressBarStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  FAnimateTimer->SetEnabled(Value == pbstNormal);
  FMarqueeTimer->SetEnabled(Value == pbstMarquee);
  PictureChanged();
}

void TKitSmoothProgressBar::SetProgressAnimation(bool Value) {
  if (Value != FProgressAnimation) {
    FProgressAnimation = Value;
    PictureChanged();
  }
  if (!Value) SetPosition(FNextPosition);
}

void TKitSmoothProgressBar::SetAppearance(TGDIPProgress* Value) {
  if (Value && Value != FAppearance.get()) FAppearance->Assign(Value);
  PictureChanged();
}

void TKitSmoothProgressBar::SetMinimum(double Value) {
  if (Value == FMinimum) return;
  FMinimum = Value;
  if (FPosition < Value) {
    if (!ProgressAnimationActive()) FPosition = FAnimatePosition = Value;
    FNextPosition = Value;
  }
  PictureChanged();
}

void TKitSmoothProgressBar::SetMaximum(double Value) {
  if (Value == FMaximum) return;
  FMaximum = Value;
  if (FPosition > Value) {
    if (!ProgressAnimationActive()) FPosition = FAnimatePosition = Value;
    FNextPosition = Value;
  }
  PictureChanged();
}

// ---------------------------------------------------------------------------
// Styles and tones

void TKitSmoothProgressBar::SetComponentStyle(TVDXStyle AStyle) {
  FUIStyle = AStyle;
  if (AStyle == tsCustom) return;
  TGDIPProgress* a = FAppearance.get();
  a->SetOverlays(true);
  a->SetShadows(true);
  FGlowAnimation = true;
  a->Font()->SetColor(clWindowText);
  for (const TStyleColors& row : kStyleColors) {
    if (row.Style != AStyle) continue;
    TGDIPFill* bg = a->BackGroundFill();
    bg->SetColor(row.BgColor);
    bg->SetColorTo(row.BgColorTo);
    bg->SetBorderColor(row.BgBorder);
    TGDIPFill* pf = a->ProgressFill();
    pf->SetColor(row.Pf[0]);
    pf->SetColorTo(row.Pf[1]);
    pf->SetColorMirror(row.Pf[2]);
    pf->SetColorMirrorTo(row.Pf[3]);
    pf->SetBorderColor(row.PfBorder);
    if (row.MirrorType >= 0) pf->SetGradientMirrorType(KitGDIP::TKitGradientType(row.MirrorType));
    if (row.Flat) {
      a->SetOverlays(false);
      a->SetShadows(false);
    }
    if (row.FontColor != clNone) a->Font()->SetColor(row.FontColor);
    break;
  }
  PictureChanged();
}

void TKitSmoothProgressBar::SetColorTones(const TColorTones& ATones) {
  TGDIPProgress* a = FAppearance.get();
  a->SetOverlays(false);
  a->SetShadows(false);
  FGlowAnimation = false;
  TGDIPFill* bg = a->BackGroundFill();
  bg->SetColor(ATones.Foreground.BrushColor);
  bg->SetColorTo(ATones.Foreground.BrushColor);
  bg->SetColorMirror(ATones.Foreground.BrushColor);
  bg->SetColorMirrorTo(ATones.Foreground.BrushColor);
  bg->SetBorderColor(ATones.Foreground.BorderColor);
  TGDIPFill* pf = a->ProgressFill();
  pf->SetColor(ATones.Selected.BrushColor);
  pf->SetColorTo(ATones.Selected.BrushColor);
  pf->SetColorMirror(ATones.Selected.BrushColor);
  pf->SetColorMirrorTo(ATones.Selected.BrushColor);
  pf->SetBorderColor(ATones.Selected.BorderColor);
  a->Font()->SetColor(ATones.Selected.TextColor);
  PictureChanged();
}

// ---------------------------------------------------------------------------
// Painting

bool TKitSmoothProgressBar::PaintsTransparent() const {
  const TGDIPFill* bg = FAppearance->BackGroundFill();
  return FAppearance->Transparent() || bg->Opacity() != 255 || bg->OpacityTo() != 255 ||
         bg->OpacityMirror() != 255 || bg->OpacityMirrorTo() != 255 || bg->Rounding() != 0;
}

void TKitSmoothProgressBar::WMEraseBkgnd(TMessage& Message) {
  if (PaintsTransparent()) {
    Message.Result = 1;  // handled: Paint clears to see-through
    return;
  }
  TWinControl::WMEraseBkgnd(Message);
}

void TKitSmoothProgressBar::Resize() {
  TCustomControl::Resize();
  PictureChanged();
}

void TKitSmoothProgressBar::ChangeScale(int M, int D, bool isDpiChange) {
  TCustomControl::ChangeScale(M, D, isDpiChange);
  if (D == 0) return;
  FAppearance->Font()->SetHeight(int(int64_t(FAppearance->Font()->Height()) * M / D));
  FAppearance->ProgressFont()->SetHeight(int(int64_t(FAppearance->ProgressFont()->Height()) * M / D));
}

void TKitSmoothProgressBar::DrawGlow(TGPGraphics* g, const TRect& r) {
  const bool marquee = FStyle == pbstMarquee;
  const TColor color = marquee ? FMarqueeColor : TColor(0xFFFFFF);
  const REAL size = REAL(marquee ? FMarqueeSize : 30);
  if (size <= 0) return;
  if (!marquee) {
    const TGPRectF p = FAppearance->CalculateProgressRectangle(r, FMinimum, FMaximum, FPosition, FDirection);
    if (p.Width <= 0 || p.Height <= 0) return;
    g->SetClip(p);
  }
  const TGPRectF i = FAppearance->GetInsideRectF(r);
  const ARGB clear = ColorToArgbWithAlpha(0, color), shine = ColorToArgbWithAlpha(120, color);
  auto band = [&](const TGPRectF& R, ARGB A, ARGB B, LinearGradientMode Mode) {
    if (R.Width <= 0 || R.Height <= 0) return;
    TGPLinearGradientBrush brush(MakeRectF(R.X - 1, R.Y - 1, R.Width + 2, R.Height + 2), A, B, Mode);
    g->FillRectangle(&brush, R);
  };
  const REAL gp = REAL(FGlowPos);
  if (FDirection == pbdHorizontal) {
    band(MakeRectF(gp - size, i.Y, size, i.Height), clear, shine, LinearGradientModeHorizontal);
    band(MakeRectF(gp, i.Y, size, i.Height), shine, clear, LinearGradientModeHorizontal);
  } else {
    band(MakeRectF(i.X, i.Height - gp - size, i.Width, size), clear, shine, LinearGradientModeVertical);
    band(MakeRectF(i.X, i.Height - gp, i.Width, size), shine, clear, LinearGradientModeVertical);
  }
  if (!marquee) g->ResetClip();
}

void TKitSmoothProgressBar::Paint() {
  const TRect r(0, 0, Width(), Height());
  FLastClientRect = r;
  TGPGraphics g(Canvas()->Handle());
  if (PaintsTransparent()) g.Clear(MakeArgb(0, 0, 0, 0));
  g.SetSmoothingMode(SmoothingModeAntiAlias);
  g.SetTextRenderingHint(TextRenderingHintClearTypeGridFit);
  const double shown = FStyle == pbstMarquee ? 0.0 : FPosition;
  FAppearance->Draw(&g, r, FMinimum, FMaximum, shown, FDirection, 1.0f);
  if ((GlowAnimationActive() && FPosition > 0) || FStyle == pbstMarquee) DrawGlow(&g, r);
  g.Flush();
}
