#pragma once
// The Graphics unit: colours and the graphics objects that describe how
// things are drawn. So far: TColor with its named values, ColorToRGB and
// TFont.

#include <QString>
#include <cstdint>

#include "platform/rtl/Persistent.h"
#include "platform/rtl/System.h"
#include "platform/rtl/TypInfo.h"
#include "platform/win32/Gdi.h"

// 0x00BBGGRR, or 0xFF000000 plus a system colour index.
using TColor = int32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
// No colour, and the default colour of whatever is drawn.
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;
// System colours.
inline constexpr TColor clWindow = static_cast<TColor>(0xFF000005u);
inline constexpr TColor clWindowText = static_cast<TColor>(0xFF000008u);
inline constexpr TColor clHighlight = static_cast<TColor>(0xFF00000Du);
inline constexpr TColor clHighlightText = static_cast<TColor>(0xFF00000Eu);
inline constexpr TColor clBtnFace = static_cast<TColor>(0xFF00000Fu);

// A system colour resolved to its current RGB value; other colours as they
// are.
TColor ColorToRGB(TColor Color);

// The base of fonts, pens and brushes: Changed tells OnChange.
class TGraphicsObject : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TGraphicsObject)
  TNotifyEvent OnChange;

 protected:
  virtual void Changed();
};

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
TF_ENUM_NAMES(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
using TFontStyles = TSet<TFontStyle>;

enum TFontPitch { fpDefault, fpVariable, fpFixed };
TF_ENUM_NAMES(TFontPitch, fpDefault, fpVariable, fpFixed)

enum TFontQuality {
  fqDefault,
  fqDraft,
  fqProof,
  fqNonAntialiased,
  fqAntialiased,
  fqClearType,
  fqClearTypeNatural
};
TF_ENUM_NAMES(TFontQuality, fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased, fqClearType,
              fqClearTypeNatural)

// A character set as GDI numbers it (ANSI_CHARSET, DEFAULT_CHARSET...).
using TFontCharset = Byte;

// A font description: name, height, style, colour and the rest. Height is in
// pixels (negative: the character height without internal leading); Size is
// in points at PixelsPerInch. Every setter that changes a value calls
// Changed once.
//
// Published: Charset, Color, Height, Name, Orientation (default 0), Pitch
// (default fpDefault), Size (not stored: Height carries it), Style (default
// []), Quality (default fqDefault).
class TFont : public TGraphicsObject {
 public:
  TF_DECLARE_PUBLISHED(TFont)
  TFont() = default;

  // From another font: every value, then one Changed. Height is taken over
  // through Size when the two fonts have different PixelsPerInch.
  void Assign(TPersistent* Source) override;

  const QString& Name() const { return FName; }
  void SetName(const QString& Value);
  int Height() const { return FHeight; }
  void SetHeight(int Value);
  // -Height in points, rounded; setting it sets Height.
  int Size() const;
  void SetSize(int Value);
  int PixelsPerInch() const { return FPixelsPerInch; }
  // Values of 0 or less are ignored.
  void SetPixelsPerInch(int Value);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TFontCharset Charset() const { return FCharset; }
  void SetCharset(TFontCharset Value);
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch Value);
  int Orientation() const { return FOrientation; }
  void SetOrientation(int Value);
  TFontQuality Quality() const { return FQuality; }
  void SetQuality(TFontQuality Value);

 private:
  QString FName = QStringLiteral("Tahoma");
  int FHeight = -11;
  int FPixelsPerInch = 96;
  TFontStyles FStyle;
  TColor FColor = clWindowText;
  TFontCharset FCharset = DEFAULT_CHARSET;
  TFontPitch FPitch = fpDefault;
  int FOrientation = 0;
  TFontQuality FQuality = fqDefault;
};
