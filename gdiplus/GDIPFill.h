#pragma once
// TGDIPFill: how a rectangle is filled, and the painting of it on a GDI+
// graphics: a solid, gradient, hatch or texture body that can be split
// into a top half and a mirrored bottom half, rounded corners, a drop
// shadow, a border, a glow, a focus outline, and a background and a
// foreground picture with positions and aspect handling.
//
// A fill is a persistent value: components publish it, component streaming
// stores it, and it also goes to an INI section, a stream (a component
// stream of a TSaver holding the fill) and the clipboard (format
// "GDI+ Fill", the stream's bytes).
//
// INI section. The keys, in order: "Color", "ColorTo", "ColorMirror",
// "ColorMirrorTo", "GradientType", "GradientMirrorType", "HatchStyle",
// "HatchStyleMirror", "BackGroundPictureMode", "BackGroundPicturePosition",
// "BackGroundPictureLeft", "BackGroundPictureTop", "PicturePosition",
// "PictureLeft", "PictureTop", "PictureSize", "PictureWidth",
// "PictureHeight", "Opacity", "OpacityTo", "OpacityMirror",
// "OpacityMirrorTo", "BorderColor", "BorderOpacity", "BorderWidth",
// "Rounding", "RoundingType", "ShadowOffset", "ShadowColor", "Angle",
// "Glow", "GlowGradientColor", "GlowRadialColor" (integers: colours as
// signed decimals, enumerations as ordinals), then "Picture" (the picture's
// bytes as hexadecimal text) with its length in "PictureDataSize", and
// "BackgroundPicture" with its length in "BackgroundPictureSize".
// "PictureSize" holds only the size mode; sections written before the
// length had a key of its own kept the text's length there, and a value
// above 1 without "PictureDataSize" is read as such a length. A stored
// length is checked against the text it describes.
//
// Painting rules that differ from a literal reading of the fill's
// description: corner radii are held to half the smaller side of their
// rectangle (and never below 0), so the focus outline's radius (Rounding
// less BorderWidth) cannot turn negative.

#include <QString>

#include <memory>

#include "gdiplus/KitGDIP.h"
#include "gdiplus/KitGDIPPicture.h"
#include "platform/rtl/Components.h"
#include "platform/rtl/IniFiles.h"

enum TGlowMode { gmNone, gmGradient, gmRadial, gmRadialGradient };
TF_ENUM_NAMES(TGlowMode, gmNone, gmGradient, gmRadial, gmRadialGradient)
enum TFillPicturePosition {
  ppTopLeft, ppTopCenter, ppTopRight, ppBottomLeft, ppBottomCenter, ppBottomRight, ppTiled, ppStretched,
  ppCenterLeft, ppCenterCenter, ppCenterRight, ppCustom
};
TF_ENUM_NAMES(TFillPicturePosition, ppTopLeft, ppTopCenter, ppTopRight, ppBottomLeft, ppBottomCenter, ppBottomRight,
              ppTiled, ppStretched, ppCenterLeft, ppCenterCenter, ppCenterRight, ppCustom)
enum TFillRoundingType { rtNone, rtTop, rtBottom, rtBoth, rtLeft, rtRight };
TF_ENUM_NAMES(TFillRoundingType, rtNone, rtTop, rtBottom, rtBoth, rtLeft, rtRight)
enum TFillPictureSize { psOriginal, psCustom };
TF_ENUM_NAMES(TFillPictureSize, psOriginal, psCustom)
enum TFillPictureMode { pmInsideFill, pmOutsideFill };
TF_ENUM_NAMES(TFillPictureMode, pmInsideFill, pmOutsideFill)
enum TPictureMode { pmStretch, pmNormal };
TF_ENUM_NAMES(TPictureMode, pmStretch, pmNormal)
enum TShadowType { stRightBottom, stBottom, stSurround };
TF_ENUM_NAMES(TShadowType, stRightBottom, stBottom, stSurround)

// The clipboard format of fills, registered by name at start-up.
extern UINT CF_GDIPFILL;

class TGDIPFill : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TGDIPFill)
  using TGPGraphics = KitGDIP::TGPGraphics;
  using TGPRectF = KitGDIP::TGPRectF;
  using TKitGDIPPicture = KitGDIP::TKitGDIPPicture;
  using TKitGradientType = KitGDIP::TKitGradientType;

  TGDIPFill();
  ~TGDIPFill() override;

  // From another fill: every published value but OnChange, then Changed.
  void Assign(TPersistent* Source) override;

  // Paints the fill into R and answers the rectangle left for the body once
  // the shadow took its share. An opacity argument of 255 takes the
  // property's value.
  TGPRectF Fill(TGPGraphics* Graphics, TGPRectF R, Byte ABorderOpacity = 255, Byte AOpacity = 255,
                Byte AOpacityTo = 255, Byte AOpacityMirror = 255, Byte AOpacityMirrorTo = 255);
  // One part of the body (the top part, or the bottom part with Mirror).
  void DrawGradientBackGround(TGPGraphics* Graphics, TGPRectF R, bool Mirror, Byte oc, Byte octo, Byte ocmr,
                              Byte ocmrto);
  void DrawGlow(TGPGraphics* Graphics, TGPRectF R);

  void SaveToFile(TCustomIniFile* ini, const QString& Section);
  void LoadFromFile(TCustomIniFile* ini, const QString& Section);
  void SaveToFile(const QString& FileName, const QString& Section);
  void LoadFromFile(const QString& FileName, const QString& Section);
  void SaveToClipBoard();
  // Nothing when the clipboard holds no fill.
  void LoadFromClipBoard();

  void BeginUpdate() { ++FUpdateCount; }
  // Fires nothing, also when changes were held back.
  void EndUpdate() {
    if (FUpdateCount > 0) --FUpdateCount;
  }
  int UpdateCount() const { return FUpdateCount; }
  // OnChange, unless an update is open.
  void Changed();

  // Published properties.
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TColor ColorTo() const { return FColorTo; }
  void SetColorTo(TColor Value);
  TColor ColorMirror() const { return FColorMirror; }
  void SetColorMirror(TColor Value);
  TColor ColorMirrorTo() const { return FColorMirrorTo; }
  void SetColorMirrorTo(TColor Value);
  TKitGradientType GradientType() const { return FGradientType; }
  void SetGradientType(TKitGradientType Value);
  TKitGradientType GradientMirrorType() const { return FGradientMirrorType; }
  void SetGradientMirrorType(TKitGradientType Value);
  ::HatchStyle HatchStyle() const { return FHatchStyle; }
  void SetHatchStyle(::HatchStyle Value);
  ::HatchStyle HatchStyleMirror() const { return FHatchStyleMirror; }
  void SetHatchStyleMirror(::HatchStyle Value);
  bool BackGroundPictureAspectRatio() const { return FBackGroundPictureAspectRatio; }
  void SetBackGroundPictureAspectRatio(bool Value);
  TFillPictureMode BackGroundPictureMode() const { return FBackGroundPictureMode; }
  void SetBackGroundPictureMode(TFillPictureMode Value);
  TKitGDIPPicture* BackGroundPicture() const { return FBackGroundPicture.get(); }
  void SetBackGroundPicture(TKitGDIPPicture* Value);
  TFillPicturePosition BackGroundPicturePosition() const { return FBackGroundPicturePosition; }
  void SetBackGroundPicturePosition(TFillPicturePosition Value);
  int BackGroundPictureLeft() const { return FBackGroundPictureLeft; }
  void SetBackGroundPictureLeft(int Value);
  int BackGroundPictureTop() const { return FBackGroundPictureTop; }
  void SetBackGroundPictureTop(int Value);
  TPictureMode BackGroundPictureAspectMode() const { return FBackGroundPictureAspectMode; }
  void SetBackGroundPictureAspectMode(TPictureMode Value);
  TKitGDIPPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TKitGDIPPicture* Value);
  TFillPicturePosition PicturePosition() const { return FPicturePosition; }
  void SetPicturePosition(TFillPicturePosition Value);
  int PictureLeft() const { return FPictureLeft; }
  void SetPictureLeft(int Value);
  int PictureTop() const { return FPictureTop; }
  void SetPictureTop(int Value);
  TFillPictureSize PictureSize() const { return FPictureSize; }
  void SetPictureSize(TFillPictureSize Value);
  int PictureWidth() const { return FPictureWidth; }
  void SetPictureWidth(int Value);
  int PictureHeight() const { return FPictureHeight; }
  void SetPictureHeight(int Value);
  bool PictureAspectRatio() const { return FPictureAspectRatio; }
  void SetPictureAspectRatio(bool Value);
  TPictureMode PictureAspectMode() const { return FPictureAspectMode; }
  void SetPictureAspectMode(TPictureMode Value);
  Byte Opacity() const { return FOpacity; }
  void SetOpacity(Byte Value);
  Byte OpacityTo() const { return FOpacityTo; }
  void SetOpacityTo(Byte Value);
  Byte OpacityMirror() const { return FOpacityMirror; }
  void SetOpacityMirror(Byte Value);
  Byte OpacityMirrorTo() const { return FOpacityMirrorTo; }
  void SetOpacityMirrorTo(Byte Value);
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor Value);
  Byte BorderOpacity() const { return FBorderOpacity; }
  void SetBorderOpacity(Byte Value);
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int Value);
  int Rounding() const { return FRounding; }
  void SetRounding(int Value);
  TFillRoundingType RoundingType() const { return FRoundingType; }
  void SetRoundingType(TFillRoundingType Value);
  TColor ShadowColor() const { return FShadowColor; }
  void SetShadowColor(TColor Value);
  int ShadowOffset() const { return FShadowOffset; }
  void SetShadowOffset(int Value);
  TShadowType ShadowType() const { return FShadowType; }
  void SetShadowType(TShadowType Value);
  int Angle() const { return FAngle; }
  void SetAngle(int Value);
  TGlowMode Glow() const { return FGlow; }
  void SetGlow(TGlowMode Value);
  TColor GlowGradientColor() const { return FGlowGradientColor; }
  void SetGlowGradientColor(TColor Value);
  TColor GlowRadialColor() const { return FGlowRadialColor; }
  void SetGlowRadialColor(TColor Value);

  // Public, not streamed.
  bool Focus() const { return FFocus; }
  void SetFocus(bool Value) { FFocus = Value; }
  TColor FocusColor() const { return FFocusColor; }
  void SetFocusColor(TColor Value) { FFocusColor = Value; }
  const TGPRectF& FocusRect() const { return FFocusRect; }
  void SetFocusRect(const TGPRectF& Value) { FFocusRect = Value; }

  TNotifyEvent OnChange;

 private:
  void PictureChanged(TObject* Sender);
  void DrawPictureStep(TGPGraphics* Graphics, const TGPRectF& R, bool Background);

  TColor FColor = TColor(0xC0C0C0);
  TColor FColorTo = TColor(0x808080);
  TColor FColorMirror = clNone;
  TColor FColorMirrorTo = clNone;
  TKitGradientType FGradientType = KitGDIP::gtVertical;
  TKitGradientType FGradientMirrorType = KitGDIP::gtSolid;
  ::HatchStyle FHatchStyle = HatchStyleHorizontal;
  ::HatchStyle FHatchStyleMirror = HatchStyleHorizontal;
  bool FBackGroundPictureAspectRatio = false;
  TFillPictureMode FBackGroundPictureMode = pmOutsideFill;
  std::unique_ptr<TKitGDIPPicture> FBackGroundPicture;
  TFillPicturePosition FBackGroundPicturePosition = ppTopLeft;
  int FBackGroundPictureLeft = 0;
  int FBackGroundPictureTop = 0;
  TPictureMode FBackGroundPictureAspectMode = pmStretch;
  std::unique_ptr<TKitGDIPPicture> FPicture;
  TFillPicturePosition FPicturePosition = ppTopLeft;
  int FPictureLeft = 0;
  int FPictureTop = 0;
  TFillPictureSize FPictureSize = psOriginal;
  int FPictureWidth = 50;
  int FPictureHeight = 50;
  bool FPictureAspectRatio = false;
  TPictureMode FPictureAspectMode = pmStretch;
  Byte FOpacity = 255;
  Byte FOpacityTo = 255;
  Byte FOpacityMirror = 255;
  Byte FOpacityMirrorTo = 255;
  TColor FBorderColor = clNone;
  Byte FBorderOpacity = 255;
  int FBorderWidth = 1;
  int FRounding = 0;
  TFillRoundingType FRoundingType = rtBoth;
  TColor FShadowColor = TColor(0x808080);
  int FShadowOffset = 0;
  TShadowType FShadowType = stRightBottom;
  int FAngle = 0;
  TGlowMode FGlow = gmNone;
  TColor FGlowGradientColor = TColor(0xFFFFFF);
  TColor FGlowRadialColor = TColor(0xFFFFFF);
  bool FFocus = false;
  TColor FFocusColor = TColor(0);
  TGPRectF FFocusRect{};
  int FUpdateCount = 0;
};

// The component written and read by the stream forms of a fill.
class TSaver : public TComponent {
 public:
  TF_DECLARE_PUBLISHED(TSaver)
  explicit TSaver(TComponent* AOwner = nullptr);
  TPersistent* SaveObject() const { return FSaveObject; }
  void SetSaveObject(TPersistent* Value) { FSaveObject = Value; }

 private:
  TPersistent* FSaveObject = nullptr;
};

// The fill as a component stream, and back. A null fill raises
// EArgumentNilException.
void SaveFillToStream(TStream* S, TGDIPFill* Fill);
void LoadFillFromStream(TStream* S, TGDIPFill* Fill);
// Every byte from position 0 as two upper-case hexadecimal digits.
QString StreamToHex(TStream* S);
// Clears the stream and writes the bytes of each pair of digits (an odd
// last character is ignored). A character outside 0-9, a-f, A-F raises
// EConvertError "No Hex-Number"; the bytes converted so far stay.
void HexToStream(const QString& S, TStream* Stream);
Byte HexPairToByte(QChar C1, QChar C2);
Byte HexPairToByte(const QString& S);

// A closed path around R, rounded with radius Radius at the corners the
// type names (the caller frees it).
KitGDIP::TGPGraphicsPath* CreateRoundRectPath(KitGDIP::TGPRectF R, int Radius, TFillRoundingType RoundingType);
// The radial body of a part: a solid base colour in the rounded path and an
// elliptical path gradient from the top (TopEdge) or the bottom edge.
void PaintRadialFill(KitGDIP::TGPGraphics* Graphics, KitGDIP::TGPRectF R, TColor ColorA,
                     TFillRoundingType RoundingType, int Radius, bool TopEdge, Byte Alpha1, Byte Alpha2,
                     TColor ColorB);
// A picture placed in Target by Position (see the fill's description).
void DrawFillPicture(KitGDIP::TGPGraphics* Graphics, bool AspectRatio, TPictureMode AspectMode, int Top, int Left,
                     const TRect& Target, int Height, int Width, TFillPicturePosition Position,
                     KitGDIP::TKitGDIPPicture* Picture);
// The size of a picture fitted into a target (0 x 0 when any side is not
// positive); with pmNormal a picture smaller than the target keeps its size.
void FitAspectSize(int TargetWidth, int TargetHeight, int PictureWidth, int PictureHeight, TPictureMode Mode,
                   double& Width, double& Height);

// ---------------------------------------------------------------------------
// TGDIPProgress: the appearance of a progress bar, and its painting: a
// background fill, a progress fill sized to the position between a minimum
// and a maximum, soft edge shadows, a white gloss and an optional value text.
// It holds no position: the caller passes rectangle, range, position,
// direction and DPI scale on every paint.
//
// ValueFormat goes through the framework's Format with one floating-point
// argument; a format that does not take one (a "%s" or "%d", two
// placeholders) raises EConvertError to the caller of Draw, never reaches a
// C formatter.

enum TGDIPProgressValueType { vtPercentage, vtAbsolute };
TF_ENUM_NAMES(TGDIPProgressValueType, vtPercentage, vtAbsolute)
enum TGDIPProgressValuePosition { vpProgressCenter, vpProgressRight, vpCenter, vpLeft, vpRight, vpCustom };
TF_ENUM_NAMES(TGDIPProgressValuePosition, vpProgressCenter, vpProgressRight, vpCenter, vpLeft, vpRight, vpCustom)
enum TGDIPProgressDirection { pbdHorizontal, pbdVertical };
TF_ENUM_NAMES(TGDIPProgressDirection, pbdHorizontal, pbdVertical)

using TGDIPProgressDrawValueEvent =
    std::function<void(TObject* Sender, const QString& ValueFormat, QString& ValueText)>;

class TGDIPProgress : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TGDIPProgress)
  using TGPGraphics = KitGDIP::TGPGraphics;
  using TGPRectF = KitGDIP::TGPRectF;

  TGDIPProgress();
  ~TGDIPProgress() override;

  // From another appearance: the fills, the value settings, the fonts and
  // the three switches.
  void Assign(TPersistent* Source) override;

  void Draw(TGPGraphics* g, const TRect& r, double min, double max, double position,
            TGDIPProgressDirection Direction, float ADPIScale = 1.0f);
  // The inside rectangle as left, top, width, height.
  TGPRectF GetInsideRectF(const TRect& r) const;
  TRect GetInsideRect(const TRect& r) const;
  TGPRectF CalculateProgressRectangle(const TRect& r, double min, double max, double pos,
                                      TGDIPProgressDirection Direction) const;
  // The value text Draw would show (after OnDrawValue).
  QString ValueText(double min, double max, double position);
  // The font the value text would be drawn with for a text box of Width x
  // Height placed at X, Y (the ProgressFont once the progress end passes the
  // text's middle).
  TFont* ValueFontAt(const TGPRectF& Progress, double X, double Y, double Width, double Height,
                     TGDIPProgressDirection Direction) const;

  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool Shadows() const { return FShadows; }
  void SetShadows(bool Value);
  bool Overlays() const { return FOverlays; }
  void SetOverlays(bool Value);
  TGDIPFill* BackGroundFill() const { return FBackGroundFill.get(); }
  void SetBackGroundFill(TGDIPFill* Value);
  TGDIPFill* ProgressFill() const { return FProgressFill.get(); }
  void SetProgressFill(TGDIPFill* Value);
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value);
  TFont* ProgressFont() const { return FProgressFont.get(); }
  void SetProgressFont(TFont* Value);
  const QString& ValueFormat() const { return FValueFormat; }
  void SetValueFormat(const QString& Value);
  TGDIPProgressValueType ValueType() const { return FValueType; }
  void SetValueType(TGDIPProgressValueType Value);
  TGDIPProgressValuePosition ValuePosition() const { return FValuePosition; }
  void SetValuePosition(TGDIPProgressValuePosition Value);
  int ValuePositionLeft() const { return FValuePositionLeft; }
  void SetValuePositionLeft(int Value);
  int ValuePositionTop() const { return FValuePositionTop; }
  void SetValuePositionTop(int Value);
  bool ValueVisible() const { return FValueVisible; }
  void SetValueVisible(bool Value);

  TNotifyEvent OnChange;
  TGDIPProgressDrawValueEvent OnDrawValue;

 private:
  void Changed();
  void DrawShadows(TGPGraphics* g, const TGPRectF& R, TGDIPProgressDirection Direction);
  void DrawOverlays(TGPGraphics* g, const TRect& r, TGDIPProgressDirection Direction);
  void DrawValue(TGPGraphics* g, const TRect& r, double min, double max, double position,
                 TGDIPProgressDirection Direction, float ADPIScale);

  bool FTransparent = false;
  bool FShadows = true;
  bool FOverlays = true;
  std::unique_ptr<TGDIPFill> FBackGroundFill;
  std::unique_ptr<TGDIPFill> FProgressFill;
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TFont> FProgressFont;
  QString FValueFormat = QStringLiteral("%.0f%%");
  TGDIPProgressValueType FValueType = vtAbsolute;
  TGDIPProgressValuePosition FValuePosition = vpCenter;
  int FValuePositionLeft = 0;
  int FValuePositionTop = 0;
  bool FValueVisible = false;
};
