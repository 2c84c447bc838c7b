#pragma once
// The settings of a drop-down pop-up's header and footer bars: background,
// border, caption, image and a collection of buttons. The grid's control
// look owns one of each for its drop-down editors; the bars that paint them
// belong to the drop-down controls.

#include <QString>
#include <functional>
#include <memory>

#include "platform/rtl/Collections.h"
#include "platform/rtl/Persistent.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/UITypes.h"

enum TGradientDirection { gdHorizontal, gdVertical };
TF_ENUM_NAMES(TGradientDirection, gdHorizontal, gdVertical)

enum TButtonAlignment { baLeft, baRight };
TF_ENUM_NAMES(TButtonAlignment, baLeft, baRight)

// A button of a header bar. Changing Caption, Enabled or Width tells the
// collection; Height is only stored. Width and Height 0 mean automatic.
class THeaderButton : public TCollectionItem {
 public:
  TF_DECLARE_PUBLISHED(THeaderButton)
  using TCollectionItem::TCollectionItem;

  // From another header or footer button: all five values.
  void Assign(TPersistent* Source) override;

  const QString& Caption() const { return FCaption; }
  void SetCaption(const QString& Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value) { FImageIndex = Value; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  int Width() const { return FWidth; }
  void SetWidth(int Value);
  int Height() const { return FHeight; }
  void SetHeight(int Value) { FHeight = Value; }

 private:
  QString FCaption;
  int FImageIndex = -1;
  bool FEnabled = true;
  int FWidth = 0;
  int FHeight = 0;
};

// A button of a footer bar: also the modal result that closes the pop-up.
class TFooterButton : public THeaderButton {
 public:
  TF_DECLARE_PUBLISHED(TFooterButton)
  using THeaderButton::THeaderButton;

  void Assign(TPersistent* Source) override;

  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }

 private:
  TModalResult FModalResult = mrNone;
};

// The buttons of a bar; any change runs OnChanged. Their owner is the
// owner of the appearance.
class THeaderButtons : public TOwnedCollection {
 public:
  TF_DECLARE_PUBLISHED(THeaderButtons)
  THeaderButtons(TPersistent* AOwner, std::function<void()> OnChanged)
      : THeaderButtons(AOwner, CollectionItemClassOf<THeaderButton>(), std::move(OnChanged)) {}
  THeaderButton* Add() { return static_cast<THeaderButton*>(TCollection::Add()); }
  THeaderButton* Insert(int Index) { return static_cast<THeaderButton*>(TCollection::Insert(Index)); }
  THeaderButton* Items(int Index) const { return static_cast<THeaderButton*>(TCollection::Items(Index)); }

 protected:
  THeaderButtons(TPersistent* AOwner, TCollectionItemClass ItemClass, std::function<void()> OnChanged)
      : TOwnedCollection(AOwner, std::move(ItemClass)), FOnChanged(std::move(OnChanged)) {}
  void Update(TCollectionItem* Item) override {
    if (FOnChanged) FOnChanged();
  }

 private:
  std::function<void()> FOnChanged;
};

class TFooterButtons : public THeaderButtons {
 public:
  TF_DECLARE_PUBLISHED(TFooterButtons)
  TFooterButtons(TPersistent* AOwner, std::function<void()> OnChanged)
      : THeaderButtons(AOwner, CollectionItemClassOf<TFooterButton>(), std::move(OnChanged)) {}
  TFooterButton* Add() { return static_cast<TFooterButton*>(TCollection::Add()); }
  TFooterButton* Insert(int Index) { return static_cast<TFooterButton*>(TCollection::Insert(Index)); }
  TFooterButton* Items(int Index) const { return static_cast<TFooterButton*>(TCollection::Items(Index)); }
};

// What the header and footer appearances share. Only Visible notifies
// (OnChange, when changed); the other values are stored plainly.
class TPopupBarAppearance : public TPersistent {
 public:
  explicit TPopupBarAppearance(TPersistent* AOwner);
  ~TPopupBarAppearance() override;
  TPersistent* GetOwner() const override { return FOwner; }

  // ColorTo, Color, BorderColor, Font and GradientDirection only.
  void AssignColors(TPopupBarAppearance* Source);

  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  // clNone: a solid background.
  TColor ColorTo() const { return FColorTo; }
  void SetColorTo(TColor Value) { FColorTo = Value; }
  TGradientDirection GradientDirection() const { return FGradientDirection; }
  void SetGradientDirection(TGradientDirection Value) { FGradientDirection = Value; }
  const QString& Caption() const { return FCaption; }
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  int Height() const { return FHeight; }
  void SetHeight(int Value) { FHeight = Value; }
  // clNone: no border.
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor Value) { FBorderColor = Value; }
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int Value) { FBorderWidth = Value; }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value) { FImageIndex = Value; }
  TButtonAlignment ButtonAlignment() const { return FButtonAlignment; }
  void SetButtonAlignment(TButtonAlignment Value) { FButtonAlignment = Value; }

  TNotifyEvent OnChange;
  TNotifyEvent OnButtonsChanged;

 protected:
  void ButtonsChanged();

  TPersistent* FOwner;
  QString FCaption;
  std::unique_ptr<TFont> FFont;

 private:
  TColor FColor = 0xC0C0C0;
  TColor FColorTo = 0xFFFFFF;
  TGradientDirection FGradientDirection = gdVertical;
  bool FVisible = true;
  int FHeight = 22;
  TColor FBorderColor = 0;
  int FBorderWidth = 1;
  int FImageIndex = -1;
  TButtonAlignment FButtonAlignment = baRight;
};

class THeaderAppearance : public TPopupBarAppearance {
 public:
  TF_DECLARE_PUBLISHED(THeaderAppearance)
  // The font is "MS Sans Serif" of height -11.
  explicit THeaderAppearance(TPersistent* AOwner);
  ~THeaderAppearance() override;

  // From another header appearance: every published value, Visible through
  // its setter.
  void Assign(TPersistent* Source) override;

  void SetCaption(const QString& Value) { FCaption = Value; }
  THeaderButtons* Buttons() const { return FButtons.get(); }
  void SetButtons(THeaderButtons* Value) { FButtons->Assign(Value); }

 private:
  std::unique_ptr<THeaderButtons> FButtons;
};

class TFooterAppearance : public TPopupBarAppearance {
 public:
  TF_DECLARE_PUBLISHED(TFooterAppearance)
  // The font keeps its default name, with height -11.
  explicit TFooterAppearance(TPersistent* AOwner);
  ~TFooterAppearance() override;

  void Assign(TPersistent* Source) override;

  // Notifies.
  void SetCaption(const QString& Value);
  TFooterButtons* Buttons() const { return FButtons.get(); }
  void SetButtons(TFooterButtons* Value) { FButtons->Assign(Value); }
  bool SizeGrip() const { return FSizeGrip; }
  void SetSizeGrip(bool Value) { FSizeGrip = Value; }

 private:
  std::unique_ptr<TFooterButtons> FButtons;
  bool FSizeGrip = true;
};
