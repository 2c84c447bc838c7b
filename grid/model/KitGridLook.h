#pragma once
// Settings objects of the grid's looks: how controls inside cells are drawn
// (TControlLook), the colours of progress bars in cells
// (TGridProgressAppearance), the picture or gradient behind the cells
// (TBackGround) and the automatic colours of negative and non-negative
// numbers (TColorSetting, TAutoColor).

#include <QString>
#include <array>
#include <memory>

#include "grid/model/KitGridSettings.h"
#include "grid/model/KitPopupAppearance.h"
#include "platform/rtl/Persistent.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Graphics.h"

// ---------------------------------------------------------------------------
// Control look

class TControlLook : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TControlLook)
  // How check boxes, radio buttons and buttons in cells are drawn. Declared
  // here: the framework's control-style flags already use the type name.
  enum TControlStyle { csClassic, csFlat, csWinXP, csQuarvel, csVDX, csGlyph, csTheme };

  // The initial values, four empty glyphs, Init, and the drop-down header
  // and footer appearances owned by the grid's component. AGrid may be null
  // for a look of no grid.
  explicit TControlLook(IKitGridSettingsOwner* AGrid);
  ~TControlLook() override;
  TPersistent* GetOwner() const override;

  // Resets Color, CommentColor, ProgressBorderColor and the fourteen
  // gradient colours; the six mirror colours go through their setters, so
  // the grid's mirror colours are reset as well.
  void Init();
  // From another control look: every published value but FlatButton,
  // NoDisabledCheckRadioLook, NoDisabledButtonLook and FixedDropDownButton,
  // CheckSize as read; nothing reaches the grid and nothing is repainted.
  void Assign(TPersistent* Source) override;

  // Store and repaint.
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TColor CommentColor() const { return FCommentColor; }
  void SetCommentColor(TColor Value);
  // 16 while ControlStyle is csVDX, the stored size otherwise.
  int CheckSize() const { return GetCheckSize(); }
  int GetCheckSize() const { return FControlStyle == csVDX ? 16 : FCheckSize; }
  void SetCheckSize(int Value);
  int RadioSize() const { return FRadioSize; }
  void SetRadioSize(int Value);
  bool FlatButton() const { return FFlatButton; }
  void SetFlatButton(bool Value);
  bool NoDisabledCheckRadioLook() const { return FNoDisabledCheckRadioLook; }
  void SetNoDisabledCheckRadioLook(bool Value);
  bool NoDisabledButtonLook() const { return FNoDisabledButtonLook; }
  void SetNoDisabledButtonLook(bool Value);
  int ProgressMarginX() const { return FProgressMarginX; }
  void SetProgressMarginX(int Value);
  int ProgressMarginY() const { return FProgressMarginY; }
  void SetProgressMarginY(int Value);
  bool ProgressXP() const { return FProgressXP; }
  void SetProgressXP(bool Value);
  bool SpinButtonsAlwaysVisible() const { return FSpinButtonsAlwaysVisible; }
  void SetSpinButtonsAlwaysVisible(bool Value);
  // Negative heights are refused.
  int ProgressHeight() const { return FProgressHeight; }
  void SetProgressHeight(int Value);
  // Store and repaint when changed.
  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle Value);
  bool DropDownAlwaysVisible() const { return FDropDownAlwaysVisible; }
  void SetDropDownAlwaysVisible(bool Value);
  int DropDownButtonWidth() const { return FDropDownButtonWidth; }
  void SetDropDownButtonWidth(int Value);
  bool RadioRange() const { return FRadioRange; }
  void SetRadioRange(bool Value);
  // Owned glyphs of csGlyph: the setters copy and repaint.
  TBitmap* CheckedGlyph() const { return FCheckedGlyph.get(); }
  void SetCheckedGlyph(TBitmap* Value);
  TBitmap* UnCheckedGlyph() const { return FUnCheckedGlyph.get(); }
  void SetUnCheckedGlyph(TBitmap* Value);
  TBitmap* RadioOnGlyph() const { return FRadioOnGlyph.get(); }
  void SetRadioOnGlyph(TBitmap* Value);
  TBitmap* RadioOffGlyph() const { return FRadioOffGlyph.get(); }
  void SetRadioOffGlyph(TBitmap* Value);
  // The drop-down editors' header and footer: the setters copy.
  THeaderAppearance* DropDownHeader() const { return FDropDownHeader.get(); }
  void SetDropDownHeader(THeaderAppearance* Value);
  TFooterAppearance* DropDownFooter() const { return FDropDownFooter.get(); }
  void SetDropDownFooter(TFooterAppearance* Value);

  // The fixed-cell gradients in their normal, hovered and pressed states.
  // Each setter stores and writes the grid's VDXGradient property of the
  // same name: the mirror colours always, the others unless clNone.
#define TF_LOOK_GRADIENT(Name, Index)                          \
  TColor Name() const { return FGradient[Index]; }             \
  void Set##Name(TColor Value) { SetGradient(Index, Value); }
  TF_LOOK_GRADIENT(FixedGradientFrom, 0)
  TF_LOOK_GRADIENT(FixedGradientTo, 1)
  TF_LOOK_GRADIENT(FixedGradientMirrorFrom, 2)
  TF_LOOK_GRADIENT(FixedGradientMirrorTo, 3)
  TF_LOOK_GRADIENT(FixedGradientHoverFrom, 4)
  TF_LOOK_GRADIENT(FixedGradientHoverTo, 5)
  TF_LOOK_GRADIENT(FixedGradientHoverMirrorFrom, 6)
  TF_LOOK_GRADIENT(FixedGradientHoverMirrorTo, 7)
  TF_LOOK_GRADIENT(FixedGradientHoverBorder, 8)
  TF_LOOK_GRADIENT(FixedGradientDownFrom, 9)
  TF_LOOK_GRADIENT(FixedGradientDownTo, 10)
  TF_LOOK_GRADIENT(FixedGradientDownMirrorFrom, 11)
  TF_LOOK_GRADIENT(FixedGradientDownMirrorTo, 12)
  TF_LOOK_GRADIENT(FixedGradientDownBorder, 13)
#undef TF_LOOK_GRADIENT

  TF_PLAIN_PROPERTY(bool, ButtonPrefix, false)
  TF_PLAIN_PROPERTY(bool, FixedDropDownButton, false)
  TF_PLAIN_PROPERTY(int, HintMaxWidth, 0)
  TF_PLAIN_PROPERTY(bool, CheckAlwaysActive, false)
  TF_PLAIN_PROPERTY(bool, RadioAlwaysActive, false)
  TF_PLAIN_PROPERTY(int, DropDownCount, 8)
  TF_PLAIN_PROPERTY(TColor, ProgressBorderColor, 0x808080)

 private:
  static constexpr int kGradientCount = 14;
  void Repaint();
  void SetGradient(int Index, TColor Value);
  template <class V>
  void SetRepaint(V& Field, const V& Value);
  template <class V>
  void SetRepaintWhenChanged(V& Field, const V& Value);
  void SetGlyph(TBitmap* Glyph, TBitmap* Value);

  IKitGridSettingsOwner* FGrid;
  bool FAssigning = false;
  TColor FColor = 0;
  TColor FCommentColor = 0x0000FF;
  int FCheckSize = 15;
  int FRadioSize = 10;
  bool FFlatButton = false;
  bool FNoDisabledCheckRadioLook = false;
  bool FNoDisabledButtonLook = false;
  int FProgressMarginX = 2;
  int FProgressMarginY = 2;
  bool FProgressXP = false;
  bool FSpinButtonsAlwaysVisible = false;
  int FProgressHeight = 0;
  TControlStyle FControlStyle = csTheme;
  bool FDropDownAlwaysVisible = false;
  int FDropDownButtonWidth = 16;
  bool FRadioRange = false;
  std::array<TColor, kGradientCount> FGradient{};
  std::unique_ptr<TBitmap> FCheckedGlyph;
  std::unique_ptr<TBitmap> FUnCheckedGlyph;
  std::unique_ptr<TBitmap> FRadioOnGlyph;
  std::unique_ptr<TBitmap> FRadioOffGlyph;
  std::unique_ptr<THeaderAppearance> FDropDownHeader;
  std::unique_ptr<TFooterAppearance> FDropDownFooter;
};
TF_ENUM_NAMES(TControlLook::TControlStyle, csClassic, csFlat, csWinXP, csQuarvel, csVDX, csGlyph, csTheme)
static_assert(TControlLook::csTheme == 6);

// ---------------------------------------------------------------------------
// Progress appearance

enum TProgressStyle { psXP, psClassic };
TF_ENUM_NAMES(TProgressStyle, psXP, psClassic)

// Colours and options of progress bars in cells; the bar's colour goes by
// completion through four levels split at Level1Perc and Level2Perc. Every
// setter fires OnChange when the value changes.
class TGridProgressAppearance : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TGridProgressAppearance)
  TGridProgressAppearance() = default;

  // Every value, Style included, then one OnChange.
  void Assign(TPersistent* Source) override;

#define TF_PROGRESS_PROPERTY(Type, Name, Initial)                     \
 public:                                                              \
  Type Name() const { return F##Name; }                               \
  void Set##Name(Type Value) { SetChanged(F##Name, Value); }          \
                                                                      \
 private:                                                             \
  Type F##Name = Initial;
  TF_PROGRESS_PROPERTY(TColor, CompleteColor, 0x0000FF)
  TF_PROGRESS_PROPERTY(TColor, CompleteFontColor, 0xFF0000)
  TF_PROGRESS_PROPERTY(TColor, UnCompleteColor, clNone)
  TF_PROGRESS_PROPERTY(TColor, UnCompleteFontColor, clWindowText)
  TF_PROGRESS_PROPERTY(TColor, Level0Color, 0x00FF00)
  TF_PROGRESS_PROPERTY(TColor, Level0ColorTo, 0xE1FFE1)
  TF_PROGRESS_PROPERTY(TColor, Level1Color, 0x00FFFF)
  TF_PROGRESS_PROPERTY(TColor, Level1ColorTo, 0xCAFFFF)
  TF_PROGRESS_PROPERTY(TColor, Level2Color, 0x53A9FF)
  TF_PROGRESS_PROPERTY(TColor, Level2ColorTo, 0xA8D3FF)
  TF_PROGRESS_PROPERTY(TColor, Level3Color, 0x0000FF)
  TF_PROGRESS_PROPERTY(TColor, Level3ColorTo, 0xCACAFF)
  TF_PROGRESS_PROPERTY(int, Level1Perc, 70)
  TF_PROGRESS_PROPERTY(int, Level2Perc, 90)
  TF_PROGRESS_PROPERTY(TColor, BorderColor, 0x000000)
  TF_PROGRESS_PROPERTY(bool, ShowBorder, false)
  TF_PROGRESS_PROPERTY(bool, Stacked, false)
  TF_PROGRESS_PROPERTY(bool, ShowPercentage, true)
  TF_PROGRESS_PROPERTY(bool, CompletionSmooth, true)
  TF_PROGRESS_PROPERTY(bool, ShowGradient, true)
  TF_PROGRESS_PROPERTY(int, Steps, 11)
  // Public, not streamed.
  TF_PROGRESS_PROPERTY(TProgressStyle, Style, psXP)
#undef TF_PROGRESS_PROPERTY

 public:
  TNotifyEvent OnChange;

 private:
  template <class V>
  void SetChanged(V& Field, const V& Value) {
    if (Field == Value) return;
    Field = Value;
    if (!FAssigning && OnChange) OnChange(this);
  }
  bool FAssigning = false;
};

// ---------------------------------------------------------------------------
// Background

// bdTile repeats the picture, bdFixed shows it once at Left, Top; the
// gradients run from Color to ColorTo.
enum TBackGroundDisplay { bdTile, bdFixed, bdGradientHorz, bdGradientVert };
TF_ENUM_NAMES(TBackGroundDisplay, bdTile, bdFixed, bdGradientHorz, bdGradientVert)

// Which cells show the background.
enum TBackGroundCells { bcNormal, bcFixed, bcAll };
TF_ENUM_NAMES(TBackGroundCells, bcNormal, bcFixed, bcAll)

// Every setter stores and repaints the grid, even when nothing changed.
class TBackGround : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TBackGround)
  explicit TBackGround(IKitGridSettingsOwner* AGrid);
  ~TBackGround() override;
  TPersistent* GetOwner() const override;

  // From another background: every value, without a repaint.
  void Assign(TPersistent* Source) override;

  int Top() const { return FTop; }
  void SetTop(int Value);
  int Left() const { return FLeft; }
  void SetLeft(int Value);
  TBackGroundDisplay Display() const { return FDisplay; }
  void SetDisplay(TBackGroundDisplay Value);
  // Owned; the setter copies.
  TBitmap* Bitmap() const { return FBitmap.get(); }
  void SetBitmap(TBitmap* Value);
  TBackGroundCells Cells() const { return FCells; }
  void SetCells(TBackGroundCells Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TColor ColorTo() const { return FColorTo; }
  void SetColorTo(TColor Value);

 private:
  void Repaint();

  IKitGridSettingsOwner* FGrid;
  bool FAssigning = false;
  int FTop = 0;
  int FLeft = 0;
  TBackGroundDisplay FDisplay = bdTile;
  std::unique_ptr<TBitmap> FBitmap;
  TBackGroundCells FCells = bcNormal;
  TColor FColor = clWindow;
  TColor FColorTo = clBtnFace;
};

// ---------------------------------------------------------------------------
// Automatic colours

// A text and a background colour; clNone leaves the cell's own.
class TColorSetting : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TColorSetting)
  TColorSetting() = default;

  // Both colours, without a notice.
  void Assign(TPersistent* Source) override;

  // Store and notify when changed.
  TColor TextColor() const { return FTextColor; }
  void SetTextColor(TColor Value);
  TColor BkgColor() const { return FBkgColor; }
  void SetBkgColor(TColor Value);

  TNotifyEvent OnChange;

 protected:
  virtual void Changed();

 private:
  TColor FTextColor = clNone;
  TColor FBkgColor = clNone;
};

// Colours of cells holding a number: below 0 the negative ones, 0 and
// above the positive ones.
class TAutoColor : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TAutoColor)
  TAutoColor();
  ~TAutoColor() override;

  // Both settings, without a notice.
  void Assign(TPersistent* Source) override;

  // Owned; the setters copy. A change of either fires OnChange.
  TColorSetting* NegativeNumber() const { return FNegativeNumber.get(); }
  void SetNegativeNumber(TColorSetting* Value) { FNegativeNumber->Assign(Value); }
  TColorSetting* PositiveNumber() const { return FPositiveNumber.get(); }
  void SetPositiveNumber(TColorSetting* Value) { FPositiveNumber->Assign(Value); }
  // False exactly when all four colours are clNone.
  bool IsActive() const;

  TNotifyEvent OnChange;

 private:
  std::unique_ptr<TColorSetting> FNegativeNumber;
  std::unique_ptr<TColorSetting> FPositiveNumber;
};
