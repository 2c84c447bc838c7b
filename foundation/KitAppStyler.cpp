// The form and application stylers and their theme window.

#include "foundation/KitAppStyler.h"

#include <QEvent>

#include "foundation/KitThemeNotifier.h"
#include "platform/rtl/StringList.h"

namespace {
QString VersionText(int n) {
  return QStringLiteral("%1.%2.%3.%4").arg((n >> 24) & 0xFF).arg((n >> 16) & 0xFF).arg((n >> 8) & 0xFF).arg(n & 0xFF);
}

TColor FormColorOfStyle(TVDXStyle AStyle) {
  switch (AStyle) {
    case tsOffice2013White:
    case tsOffice2016White:
    case tsOffice2019White: return TColor(0xFFFFFF);
    case tsOffice2013LightGray: return TColor(0xC0C0C0);
    case tsOffice2013Gray:
    case tsOffice2016Gray: return TColor(0x808080);
    case tsOffice2019Gray: return TColor(0x666666);
    case tsOffice2016Black:
    case tsOffice2019Black: return TColor(0x000000);
    default: return clBtnFace;
  }
}

// The styles the styler offers, in the order of its list.
const TVDXStyle kOffered[] = {
    tsOffice2003Blue,   tsOffice2003Silver, tsOffice2003Olive,     tsOffice2003Classic, tsOffice2007Luna,
    tsOffice2007Silver, tsOffice2007Obsidian, tsWindowsXP,         tsWindowsVista,      tsWindows7,
    tsWindows8,         tsWindows10,        tsTerminal,            tsOffice2010Blue,    tsOffice2010Silver,
    tsOffice2010Black,  tsOffice2013White,  tsOffice2013LightGray, tsOffice2013Gray,    tsOffice2016White,
    tsOffice2016Gray,   tsOffice2016Black,  tsOffice2019White,     tsOffice2019Gray,    tsOffice2019Black,
    tsCustom};

TObject* StyleObject(TVDXStyle AStyle) { return reinterpret_cast<TObject*>(static_cast<intptr_t>(AStyle)); }
TVDXStyle ObjectStyle(TObject* AObject) { return TVDXStyle(reinterpret_cast<intptr_t>(AObject)); }

// The first windowed control up the chain of owners, starting with Owner.
TWinControl* WindowedOwner(TComponent* Owner) {
  for (TComponent* c = Owner; c; c = c->Owner())
    if (auto* w = dynamic_cast<TWinControl*>(c)) return w;
  return nullptr;
}
}  // namespace

// ---------------------------------------------------------------------------
// Theme window

TAppStylerThemeWindow::TAppStylerThemeWindow(TComponent* AOwner) : TWinControl(AOwner) { SetVisible(false); }

void TAppStylerThemeWindow::WndProc(TMessage& Message) {
  if (Message.Msg == WM_THEMECHANGED && OnThemeChange) OnThemeChange(this);
  TWinControl::WndProc(Message);
}

bool TAppStylerThemeWindow::HostEvent(QEvent* Event) {
  if (Event->type() == QEvent::ThemeChange) Perform(WM_THEMECHANGED, 0, 0);
  return TWinControl::HostEvent(Event);
}

// ---------------------------------------------------------------------------
// TKitFormStyler

TF_PUBLISHED(TKitFormStyler, TComponent) {
  using F = TKitFormStyler;
  return TPublished<F>()
      .Color("AppColor", &F::AppColor, &F::SetAppColor)
      .Default(0)
      .Boolean("AutoThemeAdapt", &F::AutoThemeAdapt, &F::SetAutoThemeAdapt)
      .Default(false)
      .Boolean("Enabled", &F::Enabled, &F::SetEnabled)
      .Default(true)
      .Boolean("Metro", &F::Metro, &F::SetMetro)
      .Default(false)
      .Color("MetroColor", &F::MetroColor, &F::SetMetroColor)
      .Default(clHighlight)
      .Color("MetroTextColor", &F::MetroTextColor, &F::SetMetroTextColor)
      .Default(0)
      .Enum("MetroStyle", &F::MetroStyle, &F::SetMetroStyle)
      .Default(msLight)
      .Enum("Style", &F::Style, &F::SetStyle)
      .Default(tsCustom)
      .Object("AppStyle", &F::AppStyle, &F::SetAppStyle)
      .Object("ComboBox", &F::ComboBox, &F::SetComboBox)
      .Event("OnApplyStyle", &F::OnApplyStyle)
      .Event("OnAppliedStyle", &F::OnAppliedStyle)
      .Event("OnApplyColorTones", &F::OnApplyColorTones)
      .Event("OnAppliedColorTones", &F::OnAppliedColorTones)
      .Event("OnChange", &F::OnChange)
      .String("Version", &F::GetVersion, &F::SetVersion)
      .Stored(false);
}

TKitFormStyler::TKitFormStyler(TComponent* AOwner) : TComponent(AOwner) {
  FStyle = tsCustom;
  FTones = DefaultColorTones();
  FMetroColor = FTones.Selected.BrushColor;
  FMetroTextColor = 0;
  FMetroStyle = msLight;
  if (Designing() && !(AOwner && (AOwner->ComponentState().Contains(csReading) ||
                                  AOwner->ComponentState().Contains(csLoading))))
    FAppColor = TColor(0xE29E00);
  if (!Designing()) {
    FThemeWindow = new TAppStylerThemeWindow(this);
    if (TWinControl* parent = WindowedOwner(AOwner)) FThemeWindow->SetParent(parent);
    FThemeWindow->OnThemeChange = [this](TObject* Sender) { ThemeChanged(Sender); };
  }
}

void TKitFormStyler::AfterConstruction() {
  TComponent::AfterConstruction();
  SetEnabled(true);
}

TKitFormStyler::~TKitFormStyler() {
  if (!Designing() && FAppStyle) FAppStyle->UnRegisterFormStyler(this);
}

bool TKitFormStyler::Loading() const { return ComponentState().Contains(csLoading); }
bool TKitFormStyler::Designing() const { return ComponentState().Contains(csDesigning); }

QString TKitFormStyler::GetVersion() const { return VersionText(GetVersionNr()); }

void TKitFormStyler::Assign(TPersistent* Source) {
  if (auto* other = dynamic_cast<TKitFormStyler*>(Source)) {
    SetAutoThemeAdapt(other->AutoThemeAdapt());
    SetStyle(other->Style());
  }
}

void TKitFormStyler::Loaded() {
  TComponent::Loaded();
  if (Designing()) return;
  if (FAppStyle) {
    SetStyle(FAppStyle->Style());
    FTones = FAppStyle->Tones();
    SetMetro(FAppStyle->Metro());
    SetMetroStyle(FAppStyle->MetroStyle());
    SetMetroTextColor(FAppStyle->MetroTextColor());
    SetMetroColor(FAppStyle->MetroColor());
  } else {
    const TVDXStyle streamed = FStyle;
    SetStyle(tsCustom);
    SetStyle(streamed);
  }
  if (FMetro) SetColorTones(FTones);
  ThemeChanged();
}

void TKitFormStyler::OfferStyle(TComponent* AComponent, TVDXStyle AStyle) {
  if (auto* ex = dynamic_cast<IVDXStyleEx*>(AComponent)) {
    bool allow = true;
    if (OnApplyStyle) OnApplyStyle(this, AComponent, allow);
    if (!allow) return;
    ex->SetComponentStyleAndAppColor(AStyle, FAppColor);
    if (OnAppliedStyle) OnAppliedStyle(this, AComponent);
  } else if (auto* plain = dynamic_cast<IVDXStyle*>(AComponent)) {
    bool allow = true;
    if (OnApplyStyle) OnApplyStyle(this, AComponent, allow);
    if (!allow) return;
    plain->SetComponentStyle(AStyle);
    if (OnAppliedStyle) OnAppliedStyle(this, AComponent);
  }
}

void TKitFormStyler::OfferTones(TComponent* AComponent, const TColorTones& ATones) {
  auto* toned = dynamic_cast<IVDXTones*>(AComponent);
  if (!toned) return;
  bool allow = true;
  if (OnApplyColorTones) OnApplyColorTones(this, AComponent, allow);
  if (!allow) return;
  toned->SetColorTones(ATones);
  if (OnAppliedColorTones) OnAppliedColorTones(this, AComponent);
}

void TKitFormStyler::ApplyStyleToForm(TCustomForm* AForm, TVDXStyle AStyle) {
  if (!AForm) return;
  AForm->SetColor(FormColorOfStyle(AStyle));
  OfferStyle(AForm, AStyle);
  // By index, so a component a handler adds or removes does not upset the walk.
  for (int i = 0; i < AForm->ComponentCount(); ++i) {
    TComponent* c = AForm->Components(i);
    if (auto* frame = dynamic_cast<TFrame*>(c)) ApplyStyleToFrame(frame, AStyle);
    if (i < AForm->ComponentCount() && AForm->Components(i) == c) OfferStyle(c, AStyle);
  }
}

void TKitFormStyler::ApplyStyleToFrame(TFrame* AFrame, TVDXStyle AStyle) {
  if (!AFrame) return;
  for (int i = 0; i < AFrame->ComponentCount(); ++i) {
    TComponent* c = AFrame->Components(i);
    OfferStyle(c, AStyle);
    if (auto* frame = dynamic_cast<TFrame*>(c))
      if (i < AFrame->ComponentCount() && AFrame->Components(i) == c) ApplyStyleToFrame(frame, AStyle);
  }
}

void TKitFormStyler::ApplyColorTonesToForm(TCustomForm* AForm, const TColorTones& ATones) {
  if (!AForm) return;
  OfferTones(AForm, ATones);
  for (int i = 0; i < AForm->ComponentCount(); ++i) {
    TComponent* c = AForm->Components(i);
    if (auto* frame = dynamic_cast<TFrame*>(c)) ApplyColorTonesToFrame(frame, ATones);
    if (i < AForm->ComponentCount() && AForm->Components(i) == c) OfferTones(c, ATones);
  }
}

void TKitFormStyler::ApplyColorTonesToFrame(TFrame* AFrame, const TColorTones& ATones) {
  if (!AFrame) return;
  for (int i = 0; i < AFrame->ComponentCount(); ++i) {
    TComponent* c = AFrame->Components(i);
    OfferTones(c, ATones);
    if (auto* frame = dynamic_cast<TFrame*>(c))
      if (i < AFrame->ComponentCount() && AFrame->Components(i) == c) ApplyColorTonesToFrame(frame, ATones);
  }
}

void TKitFormStyler::ApplyStyle() {
  if (!FEnabled) return;
  if (auto* form = dynamic_cast<TCustomForm*>(Owner()))
    ApplyStyleToForm(form, FStyle);
  else if (auto* frame = dynamic_cast<TFrame*>(Owner()))
    ApplyStyleToFrame(frame, FStyle);
  Changed();
}

void TKitFormStyler::SetColorTones(const TColorTones& ATones) {
  FMetro = true;
  FStyle = tsCustom;
  if (auto* form = dynamic_cast<TCustomForm*>(Owner()))
    ApplyColorTonesToForm(form, ATones);
  else if (auto* frame = dynamic_cast<TFrame*>(Owner()))
    ApplyColorTonesToFrame(frame, ATones);
}

TStringList* TKitFormStyler::GetStyles() {
  auto* list = new TStringList();
  for (TVDXStyle s : kOffered) list->AddObject(VDXStyleName(s), StyleObject(s));
  return list;
}

void TKitFormStyler::HandleStyleSelect(TObject* Sender) {
  auto* combo = dynamic_cast<TComboBox*>(Sender);
  if (!combo) combo = FComboBox;
  if (!combo || combo->ItemIndex() < 0) return;
  SetStyle(ObjectStyle(combo->Items()->Objects(combo->ItemIndex())));
}

void TKitFormStyler::ApplyMetroTones() {
  if (!FEnabled) return;
  FTones = BuildMetroTones(FMetroStyle == msLight, FMetroColor, FMetroTextColor);
  if (FStyle == tsCustom && FMetro) SetColorTones(FTones);
}

void TKitFormStyler::Changed() {
  if (OnChange) OnChange(this);
}

void TKitFormStyler::ThemeChanged(TObject*) {
  if (FAutoThemeAdapt) SetStyle(DetectComponentStyle(false));
}

void TKitFormStyler::SetStyle(TVDXStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  if (Value != tsCustom && !Loading()) ApplyStyle();
}

void TKitFormStyler::SetAppColor(TColor Value) {
  if (Value == FAppColor) return;
  FAppColor = Value;
  if (FStyle != tsCustom && !Loading()) ApplyStyle();
}

void TKitFormStyler::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  if (Value) ApplyStyle();
}

void TKitFormStyler::SetMetro(bool Value) {
  if (Value == FMetro) return;
  FMetro = Value;
  if (Value) ApplyMetroTones();
}

void TKitFormStyler::SetMetroColor(TColor Value) {
  if (Value == FMetroColor) return;
  FMetroColor = Value;
  ApplyMetroTones();
}

void TKitFormStyler::SetMetroTextColor(TColor Value) {
  if (Value == FMetroTextColor) return;
  FMetroTextColor = Value;
  ApplyMetroTones();
}

void TKitFormStyler::SetMetroStyle(TMetroStyle Value) {
  if (Value == FMetroStyle) return;
  FMetroStyle = Value;
  ApplyMetroTones();
}

void TKitFormStyler::SetAutoThemeAdapt(bool Value) {
  FAutoThemeAdapt = Value;
  ThemeChanged();
}

void TKitFormStyler::SetAppStyle(TKitAppStyler* Value) {
  // Leaving the previous application styler keeps it from holding a styler
  // that no longer follows it (and that may be freed without telling it).
  if (FAppStyle && FAppStyle != Value) {
    if (!Designing()) FAppStyle->UnRegisterFormStyler(this);
    FAppStyle->RemoveFreeNotification(this);
  }
  FAppStyle = Value;
  if (!Value) return;
  Value->FreeNotification(this);
  if (!Loading()) SetStyle(Value->Style());
  if (!Designing()) Value->RegisterFormStyler(this);
}

void TKitFormStyler::SetComboBox(TComboBox* Value) {
  if (FComboBox && FComboBox != Value) FComboBox->RemoveFreeNotification(this);
  FComboBox = Value;
  if (!Value) return;
  Value->FreeNotification(this);
  std::unique_ptr<TStringList> styles(GetStyles());
  Value->Items()->Assign(styles.get());
  Value->OnSelect = [this](TObject* Sender) { HandleStyleSelect(Sender); };
  Value->SetStyle(csDropDownList);
  int index = -1;
  for (int i = 0; i < Value->Items()->Count(); ++i)
    if (ObjectStyle(Value->Items()->Objects(i)) == FStyle) {
      index = i;
      break;
    }
  Value->SetItemIndex(index);
}

void TKitFormStyler::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FAppStyle) FAppStyle = nullptr;
  if (AComponent == FComboBox) FComboBox = nullptr;
}

// ---------------------------------------------------------------------------
// TKitAppStyler

TF_PUBLISHED(TKitAppStyler, TComponent) {
  using A = TKitAppStyler;
  return TPublished<A>()
      .Color("AppColor", &A::AppColor, &A::SetAppColor)
      .Default(clNone)
      .Boolean("AutoThemeAdapt", &A::AutoThemeAdapt, &A::SetAutoThemeAdapt)
      .Default(false)
      .Boolean("Enabled", &A::Enabled, &A::SetEnabled)
      .Default(true)
      .Boolean("Metro", &A::Metro, &A::SetMetro)
      .Default(false)
      .Color("MetroColor", &A::MetroColor, &A::SetMetroColor)
      .Default(clHighlight)
      .Color("MetroTextColor", &A::MetroTextColor, &A::SetMetroTextColor)
      .Default(0)
      .Enum("MetroStyle", &A::MetroStyle, &A::SetMetroStyle)
      .Default(msLight)
      .Enum("Style", &A::Style, &A::SetStyle)
      .Default(tsCustom)
      .String("Version", &A::GetVersion, &A::SetVersion)
      .Stored(false)
      .Event("OnChange", &A::OnChange);
}

TKitAppStyler::TKitAppStyler(TComponent* AOwner) : TComponent(AOwner), FFormStylers(std::make_unique<TList>()) {
  FStyle = tsCustom;
  FMetroColor = clHighlight;
  FMetroTextColor = 0;
  FMetroStyle = msLight;
  FAppColor = clNone;
  if (!Designing()) {
    FThemeWindow = new TAppStylerThemeWindow(this);
    if (Application && Application->MainForm()) FThemeWindow->SetParent(Application->MainForm());
    FThemeWindow->OnThemeChange = [this](TObject* Sender) { ThemeChanged(Sender); };
  }
}

void TKitAppStyler::AfterConstruction() {
  TComponent::AfterConstruction();
  SetEnabled(true);
}

TKitAppStyler::~TKitAppStyler() {
  const QList<void*> stylers = [&] {
    QList<void*> l;
    for (int i = 0; i < FFormStylers->Count(); ++i) l.append(FFormStylers->Items(i));
    return l;
  }();
  for (void* p : stylers) static_cast<TKitFormStyler*>(p)->SetAppStyle(nullptr);
}

bool TKitAppStyler::Loading() const { return ComponentState().Contains(csLoading); }
bool TKitAppStyler::Designing() const { return ComponentState().Contains(csDesigning); }

QString TKitAppStyler::GetVersion() const { return VersionText(GetVersionNr()); }

void TKitAppStyler::Assign(TPersistent* Source) {
  if (auto* other = dynamic_cast<TKitAppStyler*>(Source)) {
    SetStyle(other->Style());
    SetAutoThemeAdapt(other->AutoThemeAdapt());
  }
}

void TKitAppStyler::Loaded() {
  TComponent::Loaded();
  if (FAutoThemeAdapt) ThemeChanged();
}

void TKitAppStyler::RegisterFormStyler(TKitFormStyler* AFormStyler) {
  if (AFormStyler && FFormStylers->IndexOf(AFormStyler) < 0) FFormStylers->Add(AFormStyler);
}

void TKitAppStyler::UnRegisterFormStyler(TKitFormStyler* AFormStyler) {
  const int i = FFormStylers->IndexOf(AFormStyler);
  if (i >= 0) FFormStylers->Delete(i);
}

void TKitAppStyler::ApplyStyle() {
  if (!FEnabled) return;
  for (int i = 0; i < FFormStylers->Count(); ++i) {
    TKitFormStyler* fs = FormStylers(i);
    fs->SetMetro(FMetro);
    fs->SetMetroStyle(FMetroStyle);
    fs->SetMetroColor(FMetroColor);
    fs->SetMetroTextColor(FMetroTextColor);
    fs->SetAppColor(FAppColor);
    fs->SetStyle(FStyle);
    fs->SetAppColor(FAppColor);
  }
  Changed();
}

void TKitAppStyler::SetColorTones(const TColorTones& ATones) {
  FTones = ATones;
  FMetro = true;
  FStyle = tsCustom;
  FMetroColor = ATones.Selected.BrushColor;
  FMetroTextColor = ATones.Selected.BrushColor;
  if (ATones.Background.BrushColor == TColor(0xFFFFFF))
    FMetroStyle = msLight;
  else if (ATones.Background.BrushColor == TColor(0))
    FMetroStyle = msDark;
  if (!Loading() && !Designing())
    for (int i = 0; i < FFormStylers->Count(); ++i) FormStylers(i)->SetColorTones(ATones);
  Changed();
}

void TKitAppStyler::ApplyMetroTones() {
  const TColorTones tones = BuildMetroTones(FMetroStyle == msLight, FMetroColor, FMetroTextColor);
  if (FStyle == tsCustom && FMetro && !Loading() && !Designing())
    for (int i = 0; i < FFormStylers->Count(); ++i) FormStylers(i)->SetColorTones(tones);
  Changed();
}

void TKitAppStyler::Changed() {
  if (OnChange) OnChange(this);
}

void TKitAppStyler::ThemeChanged(TObject*) {
  if (FAutoThemeAdapt) SetStyle(DetectComponentStyle(false));
}

void TKitAppStyler::SetStyle(TVDXStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  if (!Loading() && !Designing()) ApplyStyle();
}

void TKitAppStyler::SetAppColor(TColor Value) {
  FAppColor = Value;
  if (!Loading() && !Designing())
    for (int i = 0; i < FFormStylers->Count(); ++i) {
      FormStylers(i)->SetStyle(FStyle);
      FormStylers(i)->SetAppColor(FAppColor);
    }
  Changed();
}

void TKitAppStyler::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  if (Value) ApplyStyle();
}

void TKitAppStyler::SetMetro(bool Value) {
  if (Value == FMetro) return;
  FMetro = Value;
  ApplyMetroTones();
}

void TKitAppStyler::SetMetroColor(TColor Value) {
  if (Value == FMetroColor) return;
  FMetroColor = Value;
  ApplyMetroTones();
}

void TKitAppStyler::SetMetroTextColor(TColor Value) {
  if (Value == FMetroTextColor) return;
  FMetroTextColor = Value;
  ApplyMetroTones();
}

void TKitAppStyler::SetMetroStyle(TMetroStyle Value) {
  if (Value == FMetroStyle) return;
  FMetroStyle = Value;
  ApplyMetroTones();
}

void TKitAppStyler::SetAutoThemeAdapt(bool Value) {
  FAutoThemeAdapt = Value;
  ThemeChanged();
}
