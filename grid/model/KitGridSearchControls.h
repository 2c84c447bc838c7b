#pragma once
// The small controls of the grid's search panel: a flat glyph button (find
// next, find previous, close, highlight) with seven colour looks, groups and
// an optional drop-down part, an owner-drawn check box (match case), and the
// panel's search edit. The buttons and the box paint themselves in the
// grid's looks. The panel itself (TSearchPanel) is declared with the grid's
// settings groups and implemented here.
//
// Not covered: the platform theme's and the visual style's own button and
// check-box elements (a non-flat button is drawn as a classic push button,
// the check box as a classic frame control); the linked action; right-to-left
// reading (the platform's controls have none).

#include <QString>
#include <memory>

#include "grid/model/KitGridTypes.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/StdCtrls.h"

class TPopupMenu;

// The box's side: taLeftJustify or taRightJustify.
using TLeftRight = TAlignment;

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

class TKitGridButton : public TGraphicControl {
 public:
  TF_DECLARE_MESSAGES(TKitGridButton)
  // The framework's button states.
  enum TButtonState { bsUp = 0, bsDisabled = 1, bsDown = 2, bsExclusive = 3 };

  explicit TKitGridButton(TComponent* AOwner);
  ~TKitGridButton() override;

  void Click() override;
  // Builds the shade glyph when Shaded; adapts the look when AutoThemeAdapt.
  void Loaded();

  // Looks 0 to 6 set the colour set; other values change nothing.
  int Look() const { return FLook; }
  void SetLook(int Value);

  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value);
  bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
  void SetAutoThemeAdapt(bool Value);
  bool AutoXPStyle() const { return FAutoXPStyle; }
  void SetAutoXPStyle(bool Value) { Store(FAutoXPStyle, Value); }
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor Value) { Store(FBorderColor, Value); }
  TColor BorderDownColor() const { return FBorderDownColor; }
  void SetBorderDownColor(TColor Value) { Store(FBorderDownColor, Value); }
  TColor BorderHotColor() const { return FBorderHotColor; }
  void SetBorderHotColor(TColor Value) { Store(FBorderHotColor, Value); }
  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { Store(FColor, Value); }
  TColor ColorTo() const { return FColorTo; }
  void SetColorTo(TColor Value) { Store(FColorTo, Value); }
  TColor ColorDown() const { return FColorDown; }
  void SetColorDown(TColor Value) { Store(FColorDown, Value); }
  TColor ColorDownTo() const { return FColorDownTo; }
  void SetColorDownTo(TColor Value) { Store(FColorDownTo, Value); }
  TColor ColorHot() const { return FColorHot; }
  void SetColorHot(TColor Value) { Store(FColorHot, Value); }
  TColor ColorHotTo() const { return FColorHotTo; }
  void SetColorHotTo(TColor Value) { Store(FColorHotTo, Value); }
  TColor ColorChecked() const { return FColorChecked; }
  void SetColorChecked(TColor Value) { Store(FColorChecked, Value); }
  TColor ColorCheckedTo() const { return FColorCheckedTo; }
  void SetColorCheckedTo(TColor Value) { Store(FColorCheckedTo, Value); }
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value);
  bool Down() const { return FDown; }
  // Refused on an ungrouped push button, and on the down button of a group
  // that does not allow all up; going down raises the group's others.
  void SetDown(bool Value);
  bool DropDownButton() const { return FDropDownButton; }
  void SetDropDownButton(bool Value) { Store(FDropDownButton, Value); }
  TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
  void SetDropDownMenu(TPopupMenu* Value) { FDropDownMenu = Value; }
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value) { Store(FFlat, Value); }
  // The glyphs are copied; setting Glyph while GlyphDisabled is empty makes
  // the disabled glyph a grey copy.
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value);
  TBitmap* GlyphHot() const { return FGlyphHot.get(); }
  void SetGlyphHot(TBitmap* Value);
  TBitmap* GlyphDown() const { return FGlyphDown.get(); }
  void SetGlyphDown(TBitmap* Value);
  TBitmap* GlyphDisabled() const { return FGlyphDisabled.get(); }
  void SetGlyphDisabled(TBitmap* Value);
  TBitmap* GlyphShade() const { return FGlyphShade.get(); }
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout Value) { Store(FLayout, Value); }
  int Margin() const { return FMargin; }
  // Only -1 (centred) or more.
  void SetMargin(int Value) {
    if (Value >= -1) Store(FMargin, Value);
  }
  bool Rounded() const { return FRounded; }
  void SetRounded(bool Value) { Store(FRounded, Value); }
  bool Shaded() const { return FShaded; }
  void SetShaded(bool Value);
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool Value) { Store(FShowCaption, Value); }
  int Spacing() const { return FSpacing; }
  void SetSpacing(int Value) { Store(FSpacing, Value); }
  TKitGridButtonStyle Style() const { return FStyle; }
  void SetStyle(TKitGridButtonStyle Value) { Store(FStyle, Value); }
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value) { Store(FTransparent, Value); }

  int State() const { return FState; }
  bool MouseInControl() const { return FMouseInControl; }

  // Where glyph and caption go in a client area of the given size.
  static void LayoutGlyphAndCaption(int ClientW, int ClientH, int GlyphW, int GlyphH, int TextW, int TextH,
                                    TButtonLayout Layout, int Margin, int Spacing, TPoint& GlyphPos, TPoint& TextPos);
  // A copy whose every pixel is the grey 96 + round((r + g + b) / 3) div 2.
  static std::unique_ptr<TBitmap> DisabledGlyphOf(TBitmap* Glyph);
  // The glyph's silhouette in grey on its transparent (bottom-left) colour.
  static std::unique_ptr<TBitmap> ShadeGlyphOf(TBitmap* Glyph);

  TNotifyEvent OnDropDown;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void CMButtonMouseEnter(TMessage& Message);
  void CMButtonMouseLeave(TMessage& Message);
  // The caption's accelerator clicks an enabled, visible button.
  void CMButtonDialogChar(TMessage& Message);

 private:
  template <class V>
  void Store(V& Field, const V& Value) {
    if (Field == Value) return;
    Field = Value;
    Invalidate();
  }
  // The other buttons of the group in the same parent.
  void UpdateExclusive();
  void SetDownRaw(bool Value);
  void SetGlyphField(std::unique_ptr<TBitmap>& Field, TBitmap* Value);
  void FillFace(TCanvas* Canvas, const TRect& R, TColor From, TColor To, TColor Frame);

  int FLook = -1;
  bool FAllowAllUp = false;
  bool FAutoThemeAdapt = false;
  bool FAutoXPStyle = false;
  TColor FBorderColor = 0x1FFFFFFF;
  TColor FBorderDownColor = 0x1FFFFFFF;
  TColor FBorderHotColor = 0x1FFFFFFF;
  TColor FColor;
  TColor FColorTo = 0x1FFFFFFF;
  TColor FColorDown = 0xD8D3D2;
  TColor FColorDownTo = 0x1FFFFFFF;
  TColor FColorHot = 0xCAC7C7;
  TColor FColorHotTo = 0x1FFFFFFF;
  TColor FColorChecked = 0x808080;
  TColor FColorCheckedTo = 0x1FFFFFFF;
  int FGroupIndex = 0;
  bool FDown = false;
  bool FDropDownButton = false;
  TPopupMenu* FDropDownMenu = nullptr;
  bool FFlat = true;
  std::unique_ptr<TBitmap> FGlyph, FGlyphHot, FGlyphDown, FGlyphDisabled, FGlyphShade;
  TButtonLayout FLayout = blGlyphLeft;
  int FMargin = -1;
  bool FRounded = false;
  bool FShaded = true;
  bool FShowCaption = true;
  int FSpacing = 4;
  TKitGridButtonStyle FStyle = TKitGridButtonStyle::tasButton;
  bool FTransparent = true;
  int FState = bsUp;
  bool FDragging = false;
  bool FMouseInControl = false;
};

class TKitCheckBox : public TCustomControl {
 public:
  TF_DECLARE_MESSAGES(TKitCheckBox)
  explicit TKitCheckBox(TComponent* AOwner);

  // Flips Checked unless ReadOnly.
  virtual void Toggle();

  TLeftRight Alignment() const { return FAlignment; }
  void SetAlignment(TLeftRight Value) { Store(FAlignment, Value); }
  TTextLayout ButtonVertAlign() const { return FButtonVertAlign; }
  void SetButtonVertAlign(TTextLayout Value) { Store(FButtonVertAlign, Value); }
  // Checked reads True only for cbChecked.
  bool Checked() const { return FState == cbChecked; }
  void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
  TCheckBoxState State() const { return FState; }
  void SetState(TCheckBoxState Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { Store(FColor, Value); }
  bool Ellipsis() const { return FEllipsis; }
  void SetEllipsis(bool Value) { Store(FEllipsis, Value); }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  bool ReturnIsTab() const { return FReturnIsTab; }
  void SetReturnIsTab(bool Value) { FReturnIsTab = Value; }
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool TransparentChaching() const { return FTransparentCaching; }
  void SetTransparentChaching(bool Value) { FTransparentCaching = Value; }
  bool Down() const { return FMouseDown; }
  bool Hot() const { return FHot; }
  // The box's square, in client coordinates.
  TRect BoxRect();
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  // The caption's accelerator toggles the box (and focuses it with TabStop).
  void CMBoxDialogChar(TMessage& Message);
  void CMBoxMouseEnter(TMessage& Message);
  void CMBoxMouseLeave(TMessage& Message);
  // Skipped when transparent: Paint puts the parent's picture there.
  void WMBoxEraseBkgnd(TMessage& Message);

 private:
  template <class V>
  void Store(V& Field, const V& Value) {
    if (Field == Value) return;
    Field = Value;
    Invalidate();
  }
  // The parent's picture under the control (kept in FBkgBmp; taken again
  // each time unless TransparentChaching).
  void PaintParentBackground(TCanvas* Canvas);
  TLeftRight FAlignment = taLeftJustify;
  TTextLayout FButtonVertAlign = tlTop;
  TCheckBoxState FState = cbUnchecked;
  TColor FColor;
  bool FEllipsis = false;
  bool FReadOnly = false;
  bool FReturnIsTab = false;
  bool FTransparent = false;
  bool FTransparentCaching = false;
  bool FHot = false;
  bool FMouseDown = false;
  double FDPIScale = 1.0;
  std::unique_ptr<TBitmap> FBkgBmp;
  bool FBkgCache = false;
};

// The search panel's edit: Enter and Ctrl+Enter are the panel's find next
// and find previous (OnReturn, OnCtrlReturn) and go no further; a line break
// typed as a character reaches OnKeyPress and never the text. Its ground and
// text colours are its own (the panel shows a failed search in them).
class TRetEdit : public TEdit {
 public:
  explicit TRetEdit(TComponent* AOwner);

  TColor Color() const { return FColor; }
  TColor TextColor() const { return FTextColor; }
  void SetColors(TColor Ground, TColor Text);

  TNotifyEvent OnReturn;
  TNotifyEvent OnCtrlReturn;

 protected:
  QWidget* CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(QChar& Key) override;

 private:
  void ApplyColors();
  TColor FColor;
  TColor FTextColor;
};
