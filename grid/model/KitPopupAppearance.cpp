#include "grid/model/KitPopupAppearance.h"

#include "grid/model/KitGridSettings.h"

// ---------------------------------------------------------------------------
// Buttons

TF_PUBLISHED(THeaderButton, TCollectionItem) {
  using B = THeaderButton;
  return TPublished<B>()
      .String("Caption", &B::Caption, &B::SetCaption)
      .TypeName("TCaption")
      .Integer("ImageIndex", &B::ImageIndex, &B::SetImageIndex).Default(-1)
      .Boolean("Enabled", &B::Enabled, &B::SetEnabled).Default(true)
      .Integer("Width", &B::Width, &B::SetWidth).Default(0)
      .Integer("Height", &B::Height, &B::SetHeight).Default(0);
}

TF_PUBLISHED(TFooterButton, THeaderButton) {
  return TPublished<TFooterButton>()
      .Integer("ModalResult", &TFooterButton::ModalResult, &TFooterButton::SetModalResult)
      .Default(mrNone)
      .TypeName("TModalResult");
}

TF_PUBLISHED(THeaderButtons, TOwnedCollection) { return TPublished<THeaderButtons>(); }
TF_PUBLISHED(TFooterButtons, THeaderButtons) { return TPublished<TFooterButtons>(); }

void THeaderButton::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<THeaderButton*>(Source)) {
    AssignPublishedProperties(THeaderButton::StaticClassInfo(), this, source);
    return;
  }
  TCollectionItem::Assign(Source);
}

void TFooterButton::Assign(TPersistent* Source) {
  THeaderButton::Assign(Source);
  if (auto* source = dynamic_cast<TFooterButton*>(Source)) FModalResult = source->FModalResult;
}

void THeaderButton::SetCaption(const QString& Value) {
  if (FCaption == Value) return;
  FCaption = Value;
  Changed(false);
}

void THeaderButton::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  Changed(false);
}

void THeaderButton::SetWidth(int Value) {
  if (FWidth == Value) return;
  FWidth = Value;
  Changed(false);
}

// ---------------------------------------------------------------------------
// Appearances

TPopupBarAppearance::TPopupBarAppearance(TPersistent* AOwner)
    : FOwner(AOwner), FFont(std::make_unique<TFont>()) {
  FFont->SetHeight(-11);
}

TPopupBarAppearance::~TPopupBarAppearance() = default;

void TPopupBarAppearance::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  if (OnChange) OnChange(this);
}

void TPopupBarAppearance::ButtonsChanged() {
  if (OnButtonsChanged) OnButtonsChanged(this);
}

void TPopupBarAppearance::AssignColors(TPopupBarAppearance* Source) {
  if (!Source) return;
  FColorTo = Source->FColorTo;
  FColor = Source->FColor;
  FBorderColor = Source->FBorderColor;
  FFont->Assign(Source->FFont.get());
  FGradientDirection = Source->FGradientDirection;
}

// The shared part of both tables: the values in declaration order, then
// the buttons and their alignment.
template <class A>
static TPublished<A> BarProperties() {
  return TPublished<A>()
      .Color("Color", &A::Color, &A::SetColor).Default(0xC0C0C0)
      .Color("ColorTo", &A::ColorTo, &A::SetColorTo).Default(0xFFFFFF)
      .Enum("GradientDirection", &A::GradientDirection, &A::SetGradientDirection).Default(gdVertical)
      .String("Caption", &A::Caption, &A::SetCaption)
      .Object("Font", &A::Font, &A::SetFont)
      .Boolean("Visible", &A::Visible, &A::SetVisible).Default(true)
      .Integer("Height", &A::Height, &A::SetHeight).Default(22)
      .Color("BorderColor", &A::BorderColor, &A::SetBorderColor).Default(0)
      .Integer("BorderWidth", &A::BorderWidth, &A::SetBorderWidth).Default(1)
      .Integer("ImageIndex", &A::ImageIndex, &A::SetImageIndex).Default(-1)
      .Object("Buttons", &A::Buttons, &A::SetButtons)
      .Enum("ButtonAlignment", &A::ButtonAlignment, &A::SetButtonAlignment).Default(baRight);
}

TF_PUBLISHED(THeaderAppearance, TPersistent) { return BarProperties<THeaderAppearance>(); }

TF_PUBLISHED(TFooterAppearance, TPersistent) {
  return BarProperties<TFooterAppearance>()
      .Boolean("SizeGrip", &TFooterAppearance::SizeGrip, &TFooterAppearance::SetSizeGrip)
      .Default(true);
}

THeaderAppearance::THeaderAppearance(TPersistent* AOwner)
    : TPopupBarAppearance(AOwner),
      FButtons(std::make_unique<THeaderButtons>(AOwner, [this] { ButtonsChanged(); })) {
  FFont->SetName(QStringLiteral("MS Sans Serif"));
}

THeaderAppearance::~THeaderAppearance() = default;

void THeaderAppearance::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<THeaderAppearance*>(Source)) {
    AssignPublishedProperties(StaticClassInfo(), this, source);
    return;
  }
  TPersistent::Assign(Source);
}

TFooterAppearance::TFooterAppearance(TPersistent* AOwner)
    : TPopupBarAppearance(AOwner),
      FButtons(std::make_unique<TFooterButtons>(AOwner, [this] { ButtonsChanged(); })) {}

TFooterAppearance::~TFooterAppearance() = default;

void TFooterAppearance::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TFooterAppearance*>(Source)) {
    AssignPublishedProperties(StaticClassInfo(), this, source);
    return;
  }
  TPersistent::Assign(Source);
}

void TFooterAppearance::SetCaption(const QString& Value) {
  FCaption = Value;
  if (OnChange) OnChange(this);
}
