#pragma once
// TKitSmoothProgressBar: a windowed control showing a value between Minimum
// and Maximum as a GDI+-painted bar (its look is a TGDIPProgress). A new
// position is eased in about 10 ms steps (each step a fifteenth of the
// remaining distance), a white glow band travels along the progress part, and
// in marquee style a coloured band sweeps the whole bar. It takes component
// styles and colour tones from the stylers.
//
// The two timers (animation and marquee, 10 ms) call AnimationTick and
// MarqueeTick; tests call them by hand. A tick repaints only when the picture
// changes: while the bar is idle and the glow band waits between passes
// (off the progress part) nothing is invalidated.
//
// Transparent painting: with a transparent appearance (or see-through
// background opacities or rounded corners) the bar leaves its unfilled parts
// clear, and the parent's look shows through them.

#include <QString>
#include <memory>

#include "foundation/KitStyles.h"
#include "gdiplus/GDIPFill.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/ExtCtrlsBase.h"

enum TProgressBarStyle { pbstNormal, pbstMarquee };
TF_ENUM_NAMES(TProgressBarStyle, pbstNormal, pbstMarquee)

using TKitSmoothProgressBarPositionChanged = std::function<void(TObject* Sender, double Value)>;

class TKitSmoothProgressBar : public TCustomControl, public IVDXStyle, public IVDXTones {
 public:
  TF_DECLARE_PUBLISHED(TKitSmoothProgressBar)
  TF_DECLARE_MESSAGES(TKitSmoothProgressBar)
  explicit TKitSmoothProgressBar(TComponent* AOwner);
  ~TKitSmoothProgressBar() override;
  void AfterConstruction() override;

  // From another bar: the values and the appearance, the displayed position
  // (not the target), without running setters.
  void Assign(TPersistent* Source) override;

  void GoToValue(double AValue) { SetPosition(AValue); }
  void GoToStart() { SetPosition(FMinimum); }
  void GoToEnd() { SetPosition(FMaximum); }
  void Next() { SetPosition(FNextPosition + FStep); }
  void Next(double AStep) { SetPosition(FNextPosition + AStep); }
  void Previous() { SetPosition(FNextPosition - FStep); }
  void Previous(double AStep) { SetPosition(FNextPosition - AStep); }
  bool AnimationInProgress() const;
  double NextPosition() const { return FNextPosition; }

  // IVDXStyle, IVDXTones.
  void SetComponentStyle(TVDXStyle AStyle) override;
  TVDXStyle GetComponentStyle() const { return FUIStyle; }
  void SetColorTones(const TColorTones& ATones) override;
  void SaveToTheme(const QString&) {}
  void LoadFromTheme(const QString&) {}
  QString GetThemeID() const { return QStringLiteral("TKitSmoothProgressBar"); }
  static int GetVersionNr() { return 0x010A0102; }
  QString GetVersion() const;
  void SetVersion(const QString&) {}

  // The timers' handlers.
  void AnimationTick();
  void MarqueeTick();
  TTimer* AnimationTimer() const { return FAnimateTimer.get(); }
  TTimer* MarqueeTimer() const { return FMarqueeTimer.get(); }
  int GlowPosition() const { return FGlowPos; }
  int GlowCount() const { return FGlowCount; }

  // Published.
  double Step() const { return FStep; }
  void SetStep(double Value);
  double Minimum() const { return FMinimum; }
  void SetMinimum(double Value);
  double Maximum() const { return FMaximum; }
  void SetMaximum(double Value);
  // Read: the displayed position; write: the target.
  double Position() const { return FPosition; }
  void SetPosition(double Value);
  bool GlowAnimation() const { return FGlowAnimation; }
  void SetGlowAnimation(bool Value);
  bool ProgressAnimation() const { return FProgressAnimation; }
  void SetProgressAnimation(bool Value);
  TGDIPProgress* Appearance() const { return FAppearance.get(); }
  void SetAppearance(TGDIPProgress* Value);
  TProgressBarStyle Style() const { return FStyle; }
  void SetStyle(TProgressBarStyle Value);
  int MarqueeInterval() const { return FMarqueeInterval; }
  void SetMarqueeInterval(int Value);
  TColor MarqueeColor() const { return FMarqueeColor; }
  void SetMarqueeColor(TColor Value);
  int MarqueeSize() const { return FMarqueeSize; }
  void SetMarqueeSize(int Value);
  TGDIPProgressDirection Direction() const { return FDirection; }
  void SetDirection(TGDIPProgressDirection Value);
  TVDXStyle UIStyle() const { return FUIStyle; }
  void SetUIStyle(TVDXStyle Value) { SetComponentStyle(Value); }

  TGDIPProgressDrawValueEvent OnDrawValue;
  TNotifyEvent OnChange;
  TKitSmoothProgressBarPositionChanged OnPositionChanged;

 protected:
  void Paint() override;
  void Resize() override;
  void ChangeScale(int M, int D, bool isDpiChange) override;
  void DefineProperties(TFiler* Filer) override;
  void WMEraseBkgnd(TMessage& Message);

 private:
  bool ProgressAnimationActive() const;
  bool GlowAnimationActive() const;
  bool PaintsTransparent() const;
  void DrawGlow(KitGDIP::TGPGraphics* g, const TRect& r);
  // Invalidates the bar (when it has a window) so the next paint shows it.
  void PictureChanged();

  double FStep = 10;
  double FMinimum = 0;
  double FMaximum = 100;
  double FNextPosition = 0;
  double FAnimatePosition = 0;
  double FPosition = 0;
  TRect FLastClientRect;
  bool FDesignTime = false;
  bool FAnimating = false;
  int FGlowCount = 3000;
  int FGlowPos = -40;
  // Internal parts: held here, not owned as components (so never streamed).
  std::unique_ptr<TTimer> FAnimateTimer;
  std::unique_ptr<TTimer> FMarqueeTimer;
  bool FGlowAnimation = true;
  bool FProgressAnimation = true;
  std::unique_ptr<TGDIPProgress> FAppearance;
  TProgressBarStyle FStyle = pbstNormal;
  int FMarqueeInterval = 10;
  TColor FMarqueeColor = TColor(0x00FF00);
  int FMarqueeSize = 60;
  TGDIPProgressDirection FDirection = pbdHorizontal;
  TVDXStyle FUIStyle = tsCustom;
};
