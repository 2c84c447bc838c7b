// Colours, graphics objects and fonts.

#include "platform/vcl/Graphics.h"

#include "platform/win32/WinTypes.h"

TColor ColorToRGB(TColor Color) {
  if (Color < 0) return static_cast<TColor>(GetSysColor(Color & 0xFF));
  return Color;
}

TF_PUBLISHED(TGraphicsObject, TPersistent) { return TPublished<TGraphicsObject>(); }

TF_PUBLISHED(TFont, TGraphicsObject) {
  return TPublished<TFont>()
      .Integer("Charset", &TFont::Charset, &TFont::SetCharset)
      .Color("Color", &TFont::Color, &TFont::SetColor)
      .Integer("Height", &TFont::Height, &TFont::SetHeight)
      .String("Name", &TFont::Name, &TFont::SetName)
      .Integer("Orientation", &TFont::Orientation, &TFont::SetOrientation)
      .Default(0)
      .Enum("Pitch", &TFont::Pitch, &TFont::SetPitch)
      .Default(fpDefault)
      .Integer("Size", &TFont::Size, &TFont::SetSize)
      .Stored(false)
      .Set("Style", &TFont::Style, &TFont::SetStyle)
      .Default(TFontStyles())
      .Enum("Quality", &TFont::Quality, &TFont::SetQuality)
      .Default(fqDefault);
}

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}

void TFont::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TFont*>(Source)) {
    if (source == this) return;
    FName = source->FName;
    FStyle = source->FStyle;
    FColor = source->FColor;
    FCharset = source->FCharset;
    FPitch = source->FPitch;
    FOrientation = source->FOrientation;
    FQuality = source->FQuality;
    if (FPixelsPerInch == source->FPixelsPerInch)
      FHeight = source->FHeight;
    else
      FHeight = -MulDiv(source->Size(), FPixelsPerInch, 72);
    Changed();
    return;
  }
  TGraphicsObject::Assign(Source);
}

void TFont::SetName(const QString& Value) {
  // A font always has a name.
  if (Value.isEmpty() || Value == FName) return;
  FName = Value;
  Changed();
}

void TFont::SetHeight(int Value) {
  if (Value == FHeight) return;
  FHeight = Value;
  Changed();
}

int TFont::Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetSize(int Value) { SetHeight(-MulDiv(Value, FPixelsPerInch, 72)); }

void TFont::SetPixelsPerInch(int Value) {
  if (Value > 0) FPixelsPerInch = Value;
}

void TFont::SetStyle(TFontStyles Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Changed();
}

void TFont::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  Changed();
}

void TFont::SetCharset(TFontCharset Value) {
  if (Value == FCharset) return;
  FCharset = Value;
  Changed();
}

void TFont::SetPitch(TFontPitch Value) {
  if (Value == FPitch) return;
  FPitch = Value;
  Changed();
}

void TFont::SetOrientation(int Value) {
  if (Value == FOrientation) return;
  FOrientation = Value;
  Changed();
}

void TFont::SetQuality(TFontQuality Value) {
  if (Value == FQuality) return;
  FQuality = Value;
  Changed();
}
