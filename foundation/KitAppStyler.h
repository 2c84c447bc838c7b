#pragma once
// The stylers: one setting gives every styled component of a form (and, with
// the application styler, of the application) the same look.
//
// TKitFormStyler sits on a form or a frame. It hands its style (or its colour
// tones) to its owner, to the frames on it (recursively) and to every
// component there that implements IVDXStyleEx, IVDXStyle or IVDXTones, firing
// an event before each component (which may veto it) and one after.
// TKitAppStyler holds the application-wide choice and pushes it to every form
// styler registered with it. With AutoThemeAdapt both take the style that the
// Office and system theme settings suggest, also whenever the system reports
// a theme change to their theme window.

#include <QPointer>
#include <memory>

#include "foundation/KitStyles.h"
#include "platform/rtl/Components.h"
#include "platform/rtl/Lists.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

class TKitAppStyler;

// Fires before a style or tones reach AComponent (a form, frame or component);
// clearing Allow skips that component.
using TApplyStyleEvent = std::function<void(TObject* Sender, TComponent* AComponent, bool& Allow)>;
// Fires after a style or tones reached AComponent.
using TAppliedStyleEvent = std::function<void(TObject* Sender, TComponent* AComponent)>;

// The stylers' theme window: fires OnThemeChange when it receives
// WM_THEMECHANGED (the system's theme changed; a platform theme change of the
// window's widget arrives as that message) and then handles every message as a
// windowed control does. (Not the theme notifier's window, which listens for
// the Office theme message.)
class TAppStylerThemeWindow : public TWinControl {
 public:
  explicit TAppStylerThemeWindow(TComponent* AOwner);
  TNotifyEvent OnThemeChange;

 protected:
  void WndProc(TMessage& Message) override;
  bool HostEvent(QEvent* Event) override;
};

class TKitFormStyler : public TComponent {
 public:
  TF_DECLARE_PUBLISHED(TKitFormStyler)
  explicit TKitFormStyler(TComponent* AOwner);
  ~TKitFormStyler() override;
  // Enabled := true (which applies the style) once the styler is complete.
  void AfterConstruction() override;

  // From another form styler: AutoThemeAdapt, then Style, through the setters.
  void Assign(TPersistent* Source) override;
  void Loaded() override;

  // With the styler enabled: Style to the owner (form or frame), then Changed.
  void ApplyStyle();
  void ApplyStyleToForm(TCustomForm* AForm, TVDXStyle AStyle);
  void ApplyStyleToFrame(TFrame* AFrame, TVDXStyle AStyle);
  void ApplyColorTonesToForm(TCustomForm* AForm, const TColorTones& ATones);
  void ApplyColorTonesToFrame(TFrame* AFrame, const TColorTones& ATones);
  // Metro on, Style tsCustom (fields only: nothing re-applied, the stored
  // tones kept), then the tones to the owner.
  void SetColorTones(const TColorTones& ATones);
  // The 26 offered styles (tsWhidbey is not), each with its value as the
  // entry's object; the caller frees the list.
  TStringList* GetStyles();
  // The combo box's OnSelect: the selected entry's style becomes Style.
  void HandleStyleSelect(TObject* Sender);
  static int GetVersionNr() { return 0x02040001; }
  QString GetVersion() const;
  void SetVersion(const QString&) {}

  virtual void ApplyMetroTones();
  virtual void Changed();
  // With AutoThemeAdapt, Style becomes the detected style.
  void ThemeChanged(TObject* Sender = nullptr);

  const TColorTones& Tones() const { return FTones; }

  // Published.
  TColor AppColor() const { return FAppColor; }
  void SetAppColor(TColor Value);
  bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
  void SetAutoThemeAdapt(bool Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool Metro() const { return FMetro; }
  void SetMetro(bool Value);
  TColor MetroColor() const { return FMetroColor; }
  void SetMetroColor(TColor Value);
  TColor MetroTextColor() const { return FMetroTextColor; }
  void SetMetroTextColor(TColor Value);
  TMetroStyle MetroStyle() const { return FMetroStyle; }
  void SetMetroStyle(TMetroStyle Value);
  TVDXStyle Style() const { return FStyle; }
  void SetStyle(TVDXStyle Value);
  TKitAppStyler* AppStyle() const { return FAppStyle; }
  void SetAppStyle(TKitAppStyler* Value);
  TComboBox* ComboBox() const { return FComboBox; }
  void SetComboBox(TComboBox* Value);

  TApplyStyleEvent OnApplyStyle;
  TAppliedStyleEvent OnAppliedStyle;
  TApplyStyleEvent OnApplyColorTones;
  TAppliedStyleEvent OnAppliedColorTones;
  TNotifyEvent OnChange;

  TAppStylerThemeWindow* ThemeWindow() const { return FThemeWindow; }

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend class TKitAppStyler;
  bool Loading() const;
  bool Designing() const;
  void OfferStyle(TComponent* AComponent, TVDXStyle AStyle);
  void OfferTones(TComponent* AComponent, const TColorTones& ATones);

  TColor FAppColor = 0;
  bool FAutoThemeAdapt = false;
  bool FEnabled = false;
  bool FMetro = false;
  TColor FMetroColor = clHighlight;
  TColor FMetroTextColor = 0;
  TMetroStyle FMetroStyle = msLight;
  TVDXStyle FStyle = tsCustom;
  TKitAppStyler* FAppStyle = nullptr;
  TComboBox* FComboBox = nullptr;
  TColorTones FTones;
  TAppStylerThemeWindow* FThemeWindow = nullptr;  // owned (as a component)
};

class TKitAppStyler : public TComponent {
 public:
  TF_DECLARE_PUBLISHED(TKitAppStyler)
  explicit TKitAppStyler(TComponent* AOwner);
  // Every registered form styler leaves it (AppStyle := nullptr).
  ~TKitAppStyler() override;
  void AfterConstruction() override;

  // From another application styler: Style, then AutoThemeAdapt.
  void Assign(TPersistent* Source) override;
  void Loaded() override;

  void RegisterFormStyler(TKitFormStyler* AFormStyler);
  void UnRegisterFormStyler(TKitFormStyler* AFormStyler);
  int FormStylerCount() const { return FFormStylers->Count(); }
  TKitFormStyler* FormStylers(int Index) const { return static_cast<TKitFormStyler*>(FFormStylers->Items(Index)); }

  // With the styler enabled: the metro settings, AppColor, Style and AppColor
  // again to every registered form styler (through its setters), then Changed.
  void ApplyStyle();
  void SetColorTones(const TColorTones& ATones);
  static int GetVersionNr() { return 0x02040001; }
  QString GetVersion() const;
  void SetVersion(const QString&) {}

  virtual void ApplyMetroTones();
  virtual void Changed();
  void ThemeChanged(TObject* Sender = nullptr);

  const TColorTones& Tones() const { return FTones; }

  TColor AppColor() const { return FAppColor; }
  void SetAppColor(TColor Value);
  bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
  void SetAutoThemeAdapt(bool Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool Metro() const { return FMetro; }
  void SetMetro(bool Value);
  TColor MetroColor() const { return FMetroColor; }
  void SetMetroColor(TColor Value);
  TColor MetroTextColor() const { return FMetroTextColor; }
  void SetMetroTextColor(TColor Value);
  TMetroStyle MetroStyle() const { return FMetroStyle; }
  void SetMetroStyle(TMetroStyle Value);
  TVDXStyle Style() const { return FStyle; }
  void SetStyle(TVDXStyle Value);

  TNotifyEvent OnChange;

  TAppStylerThemeWindow* ThemeWindow() const { return FThemeWindow; }

 private:
  bool Loading() const;
  bool Designing() const;

  TColor FAppColor = clNone;
  bool FAutoThemeAdapt = false;
  bool FEnabled = false;
  bool FMetro = false;
  TColor FMetroColor = clHighlight;
  TColor FMetroTextColor = 0;
  TMetroStyle FMetroStyle = msLight;
  TVDXStyle FStyle = tsCustom;
  std::unique_ptr<TList> FFormStylers;
  TColorTones FTones;
  TAppStylerThemeWindow* FThemeWindow = nullptr;  // owned (as a component)
};
