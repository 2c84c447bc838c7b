#include "grid/model/KitGridLook.h"

namespace {

class TAssigning {
 public:
  explicit TAssigning(bool& Flag) : FFlag(Flag), FOld(Flag) { FFlag = true; }
  ~TAssigning() { FFlag = FOld; }

 private:
  bool& FFlag;
  bool FOld;
};

// The gradient colours in the order of their indexes, with their initial
// values; the mirror colours are copied to the grid even when clNone.
struct TGradientInfo {
  const char* Name;
  TColor Initial;
  bool Mirror;
};
constexpr TGradientInfo kGradients[] = {
    {"From", clNone, false},          {"To", clNone, false},
    {"MirrorFrom", clNone, true},     {"MirrorTo", clNone, true},
    {"HoverFrom", 0xFFFFFF, false},   {"HoverTo", 0x808080, false},
    {"HoverMirrorFrom", clNone, true}, {"HoverMirrorTo", clNone, true},
    {"HoverBorder", 0xC0C0C0, false}, {"DownFrom", 0xC0C0C0, false},
    {"DownTo", 0x808080, false},      {"DownMirrorFrom", clNone, true},
    {"DownMirrorTo", clNone, true},   {"DownBorder", 0x808080, false},
};

TPersistent* OwnerComponent(IKitGridSettingsOwner* grid) {
  return grid ? grid->SettingsComponent() : nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------
// TControlLook

TF_PUBLISHED(TControlLook, TPersistent) {
  using L = TControlLook;
  return TPublished<L>()
      .Boolean("ButtonPrefix", &L::ButtonPrefix, &L::SetButtonPrefix).Default(false)
      .Color("Color", &L::Color, &L::SetColor).Default(0)
      .Color("CommentColor", &L::CommentColor, &L::SetCommentColor).Default(0x0000FF)
      .Object("CheckedGlyph", &L::CheckedGlyph, &L::SetCheckedGlyph)
      .Color("FixedGradientFrom", &L::FixedGradientFrom, &L::SetFixedGradientFrom).Default(clNone)
      .Color("FixedGradientTo", &L::FixedGradientTo, &L::SetFixedGradientTo).Default(clNone)
      .Color("FixedGradientMirrorFrom", &L::FixedGradientMirrorFrom, &L::SetFixedGradientMirrorFrom)
      .Default(clNone)
      .Color("FixedGradientMirrorTo", &L::FixedGradientMirrorTo, &L::SetFixedGradientMirrorTo).Default(clNone)
      .Color("FixedGradientHoverFrom", &L::FixedGradientHoverFrom, &L::SetFixedGradientHoverFrom)
      .Default(0xFFFFFF)
      .Color("FixedGradientHoverTo", &L::FixedGradientHoverTo, &L::SetFixedGradientHoverTo).Default(0x808080)
      .Color("FixedGradientHoverMirrorFrom", &L::FixedGradientHoverMirrorFrom, &L::SetFixedGradientHoverMirrorFrom)
      .Default(clNone)
      .Color("FixedGradientHoverMirrorTo", &L::FixedGradientHoverMirrorTo, &L::SetFixedGradientHoverMirrorTo)
      .Default(clNone)
      .Color("FixedGradientHoverBorder", &L::FixedGradientHoverBorder, &L::SetFixedGradientHoverBorder)
      .Default(0xC0C0C0)
      .Color("FixedGradientDownFrom", &L::FixedGradientDownFrom, &L::SetFixedGradientDownFrom).Default(0xC0C0C0)
      .Color("FixedGradientDownTo", &L::FixedGradientDownTo, &L::SetFixedGradientDownTo).Default(0x808080)
      .Color("FixedGradientDownMirrorFrom", &L::FixedGradientDownMirrorFrom, &L::SetFixedGradientDownMirrorFrom)
      .Default(clNone)
      .Color("FixedGradientDownMirrorTo", &L::FixedGradientDownMirrorTo, &L::SetFixedGradientDownMirrorTo)
      .Default(clNone)
      .Color("FixedGradientDownBorder", &L::FixedGradientDownBorder, &L::SetFixedGradientDownBorder)
      .Default(0x808080)
      .Boolean("FixedDropDownButton", &L::FixedDropDownButton, &L::SetFixedDropDownButton).Default(false)
      .Integer("HintMaxWidth", &L::HintMaxWidth, &L::SetHintMaxWidth).Default(0)
      .Object("UnCheckedGlyph", &L::UnCheckedGlyph, &L::SetUnCheckedGlyph)
      .Object("RadioOnGlyph", &L::RadioOnGlyph, &L::SetRadioOnGlyph)
      .Object("RadioOffGlyph", &L::RadioOffGlyph, &L::SetRadioOffGlyph)
      .Integer("CheckSize", &L::CheckSize, &L::SetCheckSize).Default(15)
      .Boolean("CheckAlwaysActive", &L::CheckAlwaysActive, &L::SetCheckAlwaysActive).Default(false)
      .Integer("RadioSize", &L::RadioSize, &L::SetRadioSize).Default(10)
      .Boolean("RadioAlwaysActive", &L::RadioAlwaysActive, &L::SetRadioAlwaysActive).Default(false)
      .Boolean("RadioRange", &L::RadioRange, &L::SetRadioRange).Default(false)
      .Enum("ControlStyle", &L::ControlStyle, &L::SetControlStyle).Default(L::csTheme).TypeName("TControlStyle")
      .Boolean("DropDownAlwaysVisible", &L::DropDownAlwaysVisible, &L::SetDropDownAlwaysVisible).Default(false)
      .Integer("DropDownButtonWidth", &L::DropDownButtonWidth, &L::SetDropDownButtonWidth).Default(16)
      .Integer("DropDownCount", &L::DropDownCount, &L::SetDropDownCount).Default(8)
      .Object("DropDownHeader", &L::DropDownHeader, &L::SetDropDownHeader)
      .Object("DropDownFooter", &L::DropDownFooter, &L::SetDropDownFooter)
      .Boolean("SpinButtonsAlwaysVisible", &L::SpinButtonsAlwaysVisible, &L::SetSpinButtonsAlwaysVisible)
      .Default(false)
      .Boolean("FlatButton", &L::FlatButton, &L::SetFlatButton).Default(false)
      .Boolean("NoDisabledCheckRadioLook", &L::NoDisabledCheckRadioLook, &L::SetNoDisabledCheckRadioLook)
      .Default(false)
      .Boolean("NoDisabledButtonLook", &L::NoDisabledButtonLook, &L::SetNoDisabledButtonLook).Default(false)
      .Color("ProgressBorderColor", &L::ProgressBorderColor, &L::SetProgressBorderColor).Default(0x808080)
      .Integer("ProgressMarginX", &L::ProgressMarginX, &L::SetProgressMarginX).Default(2)
      .Integer("ProgressMarginY", &L::ProgressMarginY, &L::SetProgressMarginY).Default(2)
      .Boolean("ProgressXP", &L::ProgressXP, &L::SetProgressXP).Default(false)
      .Integer("ProgressHeight", &L::ProgressHeight, &L::SetProgressHeight).Default(0);
}

TControlLook::TControlLook(IKitGridSettingsOwner* AGrid)
    : FGrid(AGrid),
      FCheckedGlyph(std::make_unique<TBitmap>()),
      FUnCheckedGlyph(std::make_unique<TBitmap>()),
      FRadioOnGlyph(std::make_unique<TBitmap>()),
      FRadioOffGlyph(std::make_unique<TBitmap>()) {
  for (int i = 0; i < kGradientCount; ++i) FGradient[i] = kGradients[i].Initial;
  Init();
  FDropDownHeader = std::make_unique<THeaderAppearance>(OwnerComponent(AGrid));
  FDropDownFooter = std::make_unique<TFooterAppearance>(OwnerComponent(AGrid));
}

TControlLook::~TControlLook() = default;

TPersistent* TControlLook::GetOwner() const { return OwnerComponent(FGrid); }

void TControlLook::Init() {
  FColor = 0;
  FCommentColor = 0x0000FF;
  FProgressBorderColor = 0x808080;
  for (int i = 0; i < kGradientCount; ++i) {
    if (kGradients[i].Mirror) SetGradient(i, kGradients[i].Initial);
    else FGradient[i] = kGradients[i].Initial;
  }
}

void TControlLook::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TControlLook*>(Source);
  if (!source) return;
  TAssigning assigning(FAssigning);
  AssignPublishedProperties(StaticClassInfo(), this, source,
                            {"FlatButton", "NoDisabledCheckRadioLook", "NoDisabledButtonLook",
                             "FixedDropDownButton"});
}

void TControlLook::Repaint() {
  if (!FAssigning && FGrid) FGrid->SettingsRepaint();
}

template <class V>
void TControlLook::SetRepaint(V& Field, const V& Value) {
  Field = Value;
  Repaint();
}

template <class V>
void TControlLook::SetRepaintWhenChanged(V& Field, const V& Value) {
  if (Field == Value) return;
  Field = Value;
  Repaint();
}

void TControlLook::SetGradient(int Index, TColor Value) {
  FGradient[Index] = Value;
  if (FAssigning || !FGrid) return;
  if (kGradients[Index].Mirror || Value != clNone)
    FGrid->SetVDXGradientColor(QStringLiteral("VDXGradient") + QLatin1String(kGradients[Index].Name), Value);
}

void TControlLook::SetGlyph(TBitmap* Glyph, TBitmap* Value) {
  Glyph->Assign(Value);
  Repaint();
}

void TControlLook::SetColor(TColor Value) { SetRepaint(FColor, Value); }
void TControlLook::SetCommentColor(TColor Value) { SetRepaint(FCommentColor, Value); }
void TControlLook::SetCheckSize(int Value) { SetRepaint(FCheckSize, Value); }
void TControlLook::SetRadioSize(int Value) { SetRepaint(FRadioSize, Value); }
void TControlLook::SetFlatButton(bool Value) { SetRepaint(FFlatButton, Value); }
void TControlLook::SetNoDisabledCheckRadioLook(bool Value) { SetRepaint(FNoDisabledCheckRadioLook, Value); }
void TControlLook::SetNoDisabledButtonLook(bool Value) { SetRepaint(FNoDisabledButtonLook, Value); }
void TControlLook::SetProgressMarginX(int Value) { SetRepaint(FProgressMarginX, Value); }
void TControlLook::SetProgressMarginY(int Value) { SetRepaint(FProgressMarginY, Value); }
void TControlLook::SetProgressXP(bool Value) { SetRepaint(FProgressXP, Value); }
void TControlLook::SetSpinButtonsAlwaysVisible(bool Value) { SetRepaint(FSpinButtonsAlwaysVisible, Value); }

void TControlLook::SetProgressHeight(int Value) {
  if (Value < 0) return;
  SetRepaint(FProgressHeight, Value);
}

void TControlLook::SetControlStyle(TControlStyle Value) { SetRepaintWhenChanged(FControlStyle, Value); }
void TControlLook::SetDropDownAlwaysVisible(bool Value) { SetRepaintWhenChanged(FDropDownAlwaysVisible, Value); }
void TControlLook::SetDropDownButtonWidth(int Value) { SetRepaintWhenChanged(FDropDownButtonWidth, Value); }
void TControlLook::SetRadioRange(bool Value) { SetRepaintWhenChanged(FRadioRange, Value); }

void TControlLook::SetCheckedGlyph(TBitmap* Value) { SetGlyph(FCheckedGlyph.get(), Value); }
void TControlLook::SetUnCheckedGlyph(TBitmap* Value) { SetGlyph(FUnCheckedGlyph.get(), Value); }
void TControlLook::SetRadioOnGlyph(TBitmap* Value) { SetGlyph(FRadioOnGlyph.get(), Value); }
void TControlLook::SetRadioOffGlyph(TBitmap* Value) { SetGlyph(FRadioOffGlyph.get(), Value); }
void TControlLook::SetDropDownHeader(THeaderAppearance* Value) { FDropDownHeader->Assign(Value); }
void TControlLook::SetDropDownFooter(TFooterAppearance* Value) { FDropDownFooter->Assign(Value); }

// ---------------------------------------------------------------------------
// TGridProgressAppearance

TF_PUBLISHED(TGridProgressAppearance, TPersistent) {
  using P = TGridProgressAppearance;
  return TPublished<P>()
      .Color("CompleteColor", &P::CompleteColor, &P::SetCompleteColor).Default(0x0000FF)
      .Color("CompleteFontColor", &P::CompleteFontColor, &P::SetCompleteFontColor).Default(0xFF0000)
      .Color("UnCompleteColor", &P::UnCompleteColor, &P::SetUnCompleteColor).Default(clNone)
      .Color("UnCompleteFontColor", &P::UnCompleteFontColor, &P::SetUnCompleteFontColor).Default(clWindowText)
      .Event("OnChange", &P::OnChange)
      .TypeName("TNotifyEvent")
      .Color("Level0Color", &P::Level0Color, &P::SetLevel0Color).Default(0x00FF00)
      .Color("Level0ColorTo", &P::Level0ColorTo, &P::SetLevel0ColorTo).Default(0xE1FFE1)
      .Color("Level1Color", &P::Level1Color, &P::SetLevel1Color).Default(0x00FFFF)
      .Color("Level1ColorTo", &P::Level1ColorTo, &P::SetLevel1ColorTo).Default(0xCAFFFF)
      .Color("Level2Color", &P::Level2Color, &P::SetLevel2Color).Default(0x53A9FF)
      .Color("Level2ColorTo", &P::Level2ColorTo, &P::SetLevel2ColorTo).Default(0xA8D3FF)
      .Color("Level3Color", &P::Level3Color, &P::SetLevel3Color).Default(0x0000FF)
      .Color("Level3ColorTo", &P::Level3ColorTo, &P::SetLevel3ColorTo).Default(0xCACAFF)
      .Integer("Level1Perc", &P::Level1Perc, &P::SetLevel1Perc).Default(70)
      .Integer("Level2Perc", &P::Level2Perc, &P::SetLevel2Perc).Default(90)
      .Color("BorderColor", &P::BorderColor, &P::SetBorderColor).Default(0)
      .Boolean("ShowBorder", &P::ShowBorder, &P::SetShowBorder).Default(false)
      .Boolean("Stacked", &P::Stacked, &P::SetStacked).Default(false)
      .Boolean("ShowPercentage", &P::ShowPercentage, &P::SetShowPercentage).Default(true)
      .Boolean("CompletionSmooth", &P::CompletionSmooth, &P::SetCompletionSmooth).Default(true)
      .Boolean("ShowGradient", &P::ShowGradient, &P::SetShowGradient).Default(true)
      .Integer("Steps", &P::Steps, &P::SetSteps).Default(11);
}

void TGridProgressAppearance::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TGridProgressAppearance*>(Source);
  if (!source) return;
  {
    TAssigning assigning(FAssigning);
    AssignPublishedProperties(StaticClassInfo(), this, source);
    SetStyle(source->Style());
  }
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// TBackGround

TF_PUBLISHED(TBackGround, TPersistent) {
  using B = TBackGround;
  return TPublished<B>()
      .Integer("Top", &B::Top, &B::SetTop).Default(0)
      .Integer("Left", &B::Left, &B::SetLeft).Default(0)
      .Enum("Display", &B::Display, &B::SetDisplay).Default(bdTile)
      .Object("Bitmap", &B::Bitmap, &B::SetBitmap)
      .Enum("Cells", &B::Cells, &B::SetCells).Default(bcNormal)
      .Color("Color", &B::Color, &B::SetColor).Default(clWindow)
      .Color("ColorTo", &B::ColorTo, &B::SetColorTo).Default(clBtnFace);
}

TBackGround::TBackGround(IKitGridSettingsOwner* AGrid) : FGrid(AGrid), FBitmap(std::make_unique<TBitmap>()) {}

TBackGround::~TBackGround() = default;

TPersistent* TBackGround::GetOwner() const { return OwnerComponent(FGrid); }

void TBackGround::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TBackGround*>(Source);
  if (!source) return;
  TAssigning assigning(FAssigning);
  AssignPublishedProperties(StaticClassInfo(), this, source);
}

void TBackGround::Repaint() {
  if (!FAssigning && FGrid) FGrid->SettingsRepaint();
}

void TBackGround::SetTop(int Value) {
  FTop = Value;
  Repaint();
}

void TBackGround::SetLeft(int Value) {
  FLeft = Value;
  Repaint();
}

void TBackGround::SetDisplay(TBackGroundDisplay Value) {
  FDisplay = Value;
  Repaint();
}

void TBackGround::SetBitmap(TBitmap* Value) {
  FBitmap->Assign(Value);
  Repaint();
}

void TBackGround::SetCells(TBackGroundCells Value) {
  FCells = Value;
  Repaint();
}

void TBackGround::SetColor(TColor Value) {
  FColor = Value;
  Repaint();
}

void TBackGround::SetColorTo(TColor Value) {
  FColorTo = Value;
  Repaint();
}

// ---------------------------------------------------------------------------
// TColorSetting, TAutoColor

TF_PUBLISHED(TColorSetting, TPersistent) {
  return TPublished<TColorSetting>()
      .Color("TextColor", &TColorSetting::TextColor, &TColorSetting::SetTextColor)
      .Default(clNone)
      .Color("BkgColor", &TColorSetting::BkgColor, &TColorSetting::SetBkgColor)
      .Default(clNone);
}

void TColorSetting::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TColorSetting*>(Source);
  if (!source) return;
  FTextColor = source->FTextColor;
  FBkgColor = source->FBkgColor;
}

void TColorSetting::Changed() {
  if (OnChange) OnChange(this);
}

void TColorSetting::SetTextColor(TColor Value) {
  if (FTextColor == Value) return;
  FTextColor = Value;
  Changed();
}

void TColorSetting::SetBkgColor(TColor Value) {
  if (FBkgColor == Value) return;
  FBkgColor = Value;
  Changed();
}

TF_PUBLISHED(TAutoColor, TPersistent) {
  return TPublished<TAutoColor>()
      .Object("NegativeNumber", &TAutoColor::NegativeNumber, &TAutoColor::SetNegativeNumber)
      .Object("PositiveNumber", &TAutoColor::PositiveNumber, &TAutoColor::SetPositiveNumber);
}

TAutoColor::TAutoColor()
    : FNegativeNumber(std::make_unique<TColorSetting>()), FPositiveNumber(std::make_unique<TColorSetting>()) {
  auto changed = [this](TObject*) {
    if (OnChange) OnChange(this);
  };
  FNegativeNumber->OnChange = changed;
  FPositiveNumber->OnChange = changed;
}

TAutoColor::~TAutoColor() = default;

void TAutoColor::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TAutoColor*>(Source);
  if (!source) return;
  FNegativeNumber->Assign(source->FNegativeNumber.get());
  FPositiveNumber->Assign(source->FPositiveNumber.get());
}

bool TAutoColor::IsActive() const {
  return FNegativeNumber->TextColor() != clNone || FNegativeNumber->BkgColor() != clNone ||
         FPositiveNumber->TextColor() != clNone || FPositiveNumber->BkgColor() != clNone;
}
