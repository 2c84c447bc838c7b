#pragma once
// The framework's graphics classes: colours, fonts, pens, brushes, the
// canvas over a device context, graphics (bitmaps, icons), pictures with
// their file-format registry.
//
// A canvas draws through the GDI of the platform layer (platform/win32), so
// every pixel rule is GDI's. Fonts, pens and brushes create their GDI
// objects lazily and rebuild them after a change; the canvas selects them
// into its DC when a drawing call needs them.

#include <QFont>
#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "platform/rtl/Persistent.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/System.h"
#include "platform/rtl/TypInfo.h"
#include "platform/rtl/Types.h"
#include "platform/win32/Gdi.h"

TF_DECLARE_EXCEPTION(EInvalidGraphic, Exception)
TF_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception)

// ---------------------------------------------------------------------------
// Colours

// 0x00BBGGRR for an RGB colour; 0xFF0000nn for system colour nn (a COLOR_*
// index); clNone and clDefault are markers.
using TColor = int32_t;

inline constexpr TColor clSystemColor = TColor(0xFF000000);

inline constexpr TColor clScrollBar = clSystemColor | COLOR_SCROLLBAR;
inline constexpr TColor clBackground = clSystemColor | COLOR_BACKGROUND;
inline constexpr TColor clActiveCaption = clSystemColor | COLOR_ACTIVECAPTION;
inline constexpr TColor clInactiveCaption = clSystemColor | COLOR_INACTIVECAPTION;
inline constexpr TColor clMenu = clSystemColor | COLOR_MENU;
inline constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
inline constexpr TColor clWindowFrame = clSystemColor | COLOR_WINDOWFRAME;
inline constexpr TColor clMenuText = clSystemColor | COLOR_MENUTEXT;
inline constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
inline constexpr TColor clCaptionText = clSystemColor | COLOR_CAPTIONTEXT;
inline constexpr TColor clActiveBorder = clSystemColor | COLOR_ACTIVEBORDER;
inline constexpr TColor clInactiveBorder = clSystemColor | COLOR_INACTIVEBORDER;
inline constexpr TColor clAppWorkSpace = clSystemColor | COLOR_APPWORKSPACE;
inline constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
inline constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
inline constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
inline constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
inline constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;
inline constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
inline constexpr TColor clInactiveCaptionText = clSystemColor | COLOR_INACTIVECAPTIONTEXT;
inline constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
inline constexpr TColor cl3DDkShadow = clSystemColor | COLOR_3DDKSHADOW;
inline constexpr TColor cl3DLight = clSystemColor | COLOR_3DLIGHT;
inline constexpr TColor clInfoText = clSystemColor | COLOR_INFOTEXT;
inline constexpr TColor clInfoBk = clSystemColor | COLOR_INFOBK;
inline constexpr TColor clHotLight = clSystemColor | COLOR_HOTLIGHT;
inline constexpr TColor clGradientActiveCaption = clSystemColor | COLOR_GRADIENTACTIVECAPTION;
inline constexpr TColor clGradientInactiveCaption = clSystemColor | COLOR_GRADIENTINACTIVECAPTION;
inline constexpr TColor clMenuHighlight = clSystemColor | COLOR_MENUHILIGHT;
inline constexpr TColor clMenuBar = clSystemColor | COLOR_MENUBAR;

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
inline constexpr TColor clLtGray = 0xC0C0C0;
inline constexpr TColor clDkGray = 0x808080;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clMoneyGreen = 0xC0DCC0;
inline constexpr TColor clSkyBlue = 0xF0CAA6;
inline constexpr TColor clCream = 0xF0FBFF;
inline constexpr TColor clMedGray = 0xA4A0A0;

inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

// The RGB value of a colour: system colours through the current system
// colour resolver (GetSysColor unless a style manager installed its own),
// every other value unchanged.
TColor ColorToRGB(TColor Color);

// Resolves a system colour (clSystemColor | index) to RGB. The style manager
// installs one so that styled applications paint with the style's colours;
// an empty resolver restores GetSysColor. Answers the previous resolver.
using TSystemColorResolver = std::function<TColor(TColor SystemColor)>;
TSystemColorResolver SetSystemColorResolver(TSystemColorResolver Resolver);

// Colour names ("clRed", "clBtnFace"...), compared without case on input.
bool ColorToIdent(TColor Color, QString& Ident);
bool IdentToColor(const QString& Ident, TColor& Color);
// A colour's name, or "$00BBGGRR" when it has none.
QString ColorToString(TColor Color);
// A colour name or a number ("$00FF0000", "255"); raises EConvertError for
// anything else.
TColor StringToColor(const QString& S);
// Calls Proc with every colour name, in the table's order.
void GetColorValues(const std::function<void(const QString&)>& Proc);

// RGB as a TColor (RGB itself gives a COLORREF).
inline constexpr TColor RGBToColor(Byte R, Byte G, Byte B) { return TColor(RGB(R, G, B)); }

// ---------------------------------------------------------------------------
// Fonts, pens and brushes

// The root of fonts, pens and brushes: change notification through OnChange.
class TGraphicsObject : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TGraphicsObject)
  TGraphicsObject() = default;
  TGraphicsObject(const TGraphicsObject&) = delete;
  TGraphicsObject& operator=(const TGraphicsObject&) = delete;

  // Called once after every change of a property. A change that replaces
  // the GDI object deletes the old one after OnChange, so a handler can take
  // it out of the DC it is selected into first.
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
  fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased, fqClearType, fqClearTypeNatural
};
TF_ENUM_NAMES(TFontQuality, fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased, fqClearType,
              fqClearTypeNatural)

using TFontCharset = Byte;

// A font: Height below 0 is the character height in pixels, above 0 the
// cell height; Size is in points at PixelsPerInch (96 unless changed):
// Size = -Height * 72 / PixelsPerInch, rounded.
// Published: Charset, Color, Height, Name, Orientation, Pitch, Size (not
// stored), Style, Quality.
class TFont : public TGraphicsObject {
 public:
  TF_DECLARE_PUBLISHED(TFont)
  TFont();
  ~TFont() override;

  // Every value of another font, then one OnChange. A font of another
  // PixelsPerInch keeps its own and takes over the Size.
  void Assign(TPersistent* Source) override;

  const QString& Name() const { return FName; }
  void SetName(const QString& Value);
  int Height() const { return FHeight; }
  void SetHeight(int Value);
  int Size() const;
  void SetSize(int Value);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TFontCharset Charset() const { return FCharset; }
  void SetCharset(TFontCharset Value);
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch Value);
  // Angle of the baseline in tenths of a degree, counter-clockwise.
  int Orientation() const { return FOrientation; }
  void SetOrientation(int Value);
  TFontQuality Quality() const { return FQuality; }
  void SetQuality(TFontQuality Value);
  // The resolution Size converts at; changing it keeps Height.
  int PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(int Value);

  // The GDI font, created on first use and after every change of an
  // attribute it carries (all but Color). Owned by the font.
  HFONT Handle();
  // Takes over a GDI font: the attributes are read from it and the font owns
  // the handle from now on.
  void SetHandle(HFONT Value);
  bool HandleAllocated() const { return FHandle != nullptr; }
  // The Qt font a widget shows this font as (see QtFontOf): the face, the
  // height in pixels, the styles.
  QFont QtFont() const;
  // Every attribute (name, height, style, colour, charset, pitch,
  // orientation, quality, resolution) equal.
  bool SameAs(const TFont& Other) const;

 private:
  LOGFONTW LogFont() const;
  void Modified(bool AffectsHandle);
  void FreeHandle();

  QString FName;
  int FHeight;
  TFontStyles FStyle;
  TColor FColor = clWindowText;
  TFontCharset FCharset = DEFAULT_CHARSET;
  TFontPitch FPitch = fpDefault;
  int FOrientation = 0;
  TFontQuality FQuality = fqDefault;
  int FPixelsPerInch = 96;
  HFONT FHandle = nullptr;
};

enum TPenStyle {
  psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame, psUserStyle, psAlternate
};
TF_ENUM_NAMES(TPenStyle, psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame,
              psUserStyle, psAlternate)

enum TPenMode {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen,
  pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
TF_ENUM_NAMES(TPenMode, pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot,
              pmMaskPenNot, pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask,
              pmXor, pmNotXor)

// The GDI mix mode (R2_*) of a pen mode.
int PenModeToRop2(TPenMode Mode);

// A pen. Published: Color, Mode, Style, Width.
class TPen : public TGraphicsObject {
 public:
  TF_DECLARE_PUBLISHED(TPen)
  TPen() = default;
  ~TPen() override;

  void Assign(TPersistent* Source) override;

  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode Value);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle Value);
  int Width() const { return FWidth; }
  // Negative values are ignored; 0 and 1 both draw one-pixel lines.
  void SetWidth(int Value);
  // Dash and gap lengths in pixels for psUserStyle (empty: a solid line).
  const std::vector<DWORD>& UserStyle() const { return FUserStyle; }
  void SetUserStyle(const std::vector<DWORD>& Value);

  HPEN Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }

 private:
  void Modified();
  void FreeHandle();

  TColor FColor = clBlack;
  TPenMode FMode = pmCopy;
  TPenStyle FStyle = psSolid;
  int FWidth = 1;
  std::vector<DWORD> FUserStyle;
  HPEN FHandle = nullptr;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
TF_ENUM_NAMES(TBrushStyle, bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross,
              bsDiagCross)

class TBitmap;

// A brush. Published: Color, Style. A Bitmap, when assigned, makes it a
// pattern brush; the brush does not own the bitmap, and the pattern is
// taken from it when the GDI brush is created.
class TBrush : public TGraphicsObject {
 public:
  TF_DECLARE_PUBLISHED(TBrush)
  TBrush() = default;
  ~TBrush() override;

  void Assign(TPersistent* Source) override;

  TColor Color() const { return FColor; }
  // Setting a colour on a clear brush makes it solid.
  void SetColor(TColor Value);
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle Value);
  TBitmap* Bitmap() const { return FBitmap; }
  void SetBitmap(TBitmap* Value);

  HBRUSH Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }

 private:
  void Modified();
  void FreeHandle();

  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
  TBitmap* FBitmap = nullptr;
  HBRUSH FHandle = nullptr;
};

// ---------------------------------------------------------------------------
// Canvas

enum TCanvasStates { csHandleValid, csFontValid, csPenValid, csBrushValid };
using TCanvasState = TSet<TCanvasStates>;

enum TFillStyle { fsSurface, fsBorder };

// Raster operations of CopyRect and bitmap drawing.
using TCopyMode = int32_t;
inline constexpr TCopyMode cmBlackness = BLACKNESS;
inline constexpr TCopyMode cmDstInvert = DSTINVERT;
inline constexpr TCopyMode cmMergeCopy = MERGECOPY;
inline constexpr TCopyMode cmMergePaint = MERGEPAINT;
inline constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
inline constexpr TCopyMode cmNotSrcErase = NOTSRCERASE;
inline constexpr TCopyMode cmPatCopy = PATCOPY;
inline constexpr TCopyMode cmPatInvert = PATINVERT;
inline constexpr TCopyMode cmPatPaint = PATPAINT;
inline constexpr TCopyMode cmSrcAnd = SRCAND;
inline constexpr TCopyMode cmSrcCopy = SRCCOPY;
inline constexpr TCopyMode cmSrcErase = SRCERASE;
inline constexpr TCopyMode cmSrcInvert = SRCINVERT;
inline constexpr TCopyMode cmSrcPaint = SRCPAINT;
inline constexpr TCopyMode cmWhiteness = WHITENESS;

// Options of TextRect's formatting form (DrawText flags). tfComposited is
// accepted and draws as plain text.
enum TTextFormats {
  tfBottom, tfCalcRect, tfCenter, tfEditControl, tfEndEllipsis, tfPathEllipsis, tfExpandTabs,
  tfExternalLeading, tfLeft, tfModifyString, tfNoClip, tfNoPrefix, tfRight, tfRtlReading,
  tfSingleLine, tfTop, tfVerticalCenter, tfWordBreak, tfHidePrefix, tfNoFullWidthCharBreak,
  tfPrefixOnly, tfTabStop, tfWordEllipsis, tfComposited
};
TF_ENUM_NAMES(TTextFormats, tfBottom, tfCalcRect, tfCenter, tfEditControl, tfEndEllipsis, tfPathEllipsis,
              tfExpandTabs, tfExternalLeading, tfLeft, tfModifyString, tfNoClip, tfNoPrefix, tfRight,
              tfRtlReading, tfSingleLine, tfTop, tfVerticalCenter, tfWordBreak, tfHidePrefix,
              tfNoFullWidthCharBreak, tfPrefixOnly, tfTabStop, tfWordEllipsis, tfComposited)
using TTextFormat = TSet<TTextFormats>;
// The DT_* flags of a text format.
UINT TextFormatToFlags(TTextFormat Format);

class TGraphic;

// Drawing on a device context with a font, a pen and a brush.
//
// A canvas gets its DC from SetHandle or, when it has none, from
// CreateHandle: the base class then creates a memory DC of its own (good for
// measuring text; drawing into it has no visible effect). Descendants bound
// to a window or a bitmap override CreateHandle to provide the DC they stand
// for. Font, pen and brush are selected into the DC when a call needs them
// (RequiredState) and taken out again when they change or the DC goes.
//
// Every drawing call runs Changing() before and Changed() after the
// drawing, which raise OnChanging and OnChange.
class TCanvas : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TCanvas)
  TCanvas();
  ~TCanvas() override;
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  // The DC, created through CreateHandle when there is none, with the
  // canvas's font, pen and brush selected into it (and the background mode
  // and colour the brush implies), as a caller drawing on it with the Win32
  // calls expects: a mode that caller sets afterwards (SetBkMode) holds until
  // the font, pen or brush changes again. Raises EInvalidOperation "Canvas
  // does not allow drawing" when none can be had.
  HDC Handle();
  // Uses Value from now on (null: none). The canvas's font, pen and brush are
  // taken out of the previous DC; a memory DC the canvas made is deleted.
  // The pen position carries over to the new DC.
  void SetHandle(HDC Value);
  bool HandleAllocated() const { return FHandle != nullptr; }

  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  TPen* Pen() const { return FPen.get(); }
  void SetPen(TPen* Value) { FPen->Assign(Value); }
  TBrush* Brush() const { return FBrush.get(); }
  void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
  TCopyMode CopyMode() const { return FCopyMode; }
  void SetCopyMode(TCopyMode Value) { FCopyMode = Value; }
  // ETO_* options of TextOut and TextRect.
  int TextFlags() const { return FTextFlags; }
  void SetTextFlags(int Value) { FTextFlags = Value; }

  TPoint PenPos();
  void SetPenPos(const TPoint& Value) { MoveTo(Value.X, Value.Y); }
  void MoveTo(int X, int Y);
  void LineTo(int X, int Y);

  void Rectangle(int X1, int Y1, int X2, int Y2);
  void Rectangle(const TRect& Rect) { Rectangle(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }
  void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
  void RoundRect(const TRect& Rect, int CX, int CY) {
    RoundRect(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom, CX, CY);
  }
  void Ellipse(int X1, int Y1, int X2, int Y2);
  void Ellipse(const TRect& Rect) { Ellipse(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }
  void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  void ArcTo(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  void AngleArc(int X, int Y, Cardinal Radius, Single StartAngle, Single SweepAngle);
  void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  void Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  void Polygon(std::span<const TPoint> Points);
  void Polygon(std::initializer_list<TPoint> Points) { Polygon(std::span<const TPoint>(Points.begin(), Points.size())); }
  void Polyline(std::span<const TPoint> Points);
  void Polyline(std::initializer_list<TPoint> Points) { Polyline(std::span<const TPoint>(Points.begin(), Points.size())); }
  // 3n + 1 points: a start point and three per curve.
  void PolyBezier(std::span<const TPoint> Points);
  void PolyBezier(std::initializer_list<TPoint> Points) {
    PolyBezier(std::span<const TPoint>(Points.begin(), Points.size()));
  }
  // 3n points continuing from the pen position.
  void PolyBezierTo(std::span<const TPoint> Points);

  void FillRect(const TRect& Rect);
  void FrameRect(const TRect& Rect);
  // A dotted frame inverted on the canvas; drawing it again removes it.
  void DrawFocusRect(const TRect& Rect);
  // Fills the area around (X, Y) with the brush: with fsSurface the
  // connected pixels of Color, with fsBorder everything up to Color.
  void FloodFill(int X, int Y, TColor Color, TFillStyle FillStyle);

  TColor Pixels(int X, int Y);
  void SetPixels(int X, int Y, TColor Value);
  // The part of the DC drawing may reach (the clip box).
  TRect ClipRect();

  // Text at (X, Y) with the font; the pen position moves to the end of it.
  void TextOut(int X, int Y, const QString& Text);
  // Text at (X, Y) clipped to Rect; Rect is filled with the brush first
  // unless the brush is clear.
  void TextRect(const TRect& Rect, int X, int Y, const QString& Text);
  // Text laid out in Rect by DrawText. With tfCalcRect Rect receives the
  // size the text needs and nothing is drawn; with tfModifyString Text
  // receives the text as displayed (with its ellipsis).
  void TextRect(TRect& Rect, QString& Text, TTextFormat TextFormat = {});
  TSize TextExtent(const QString& Text);
  int TextWidth(const QString& Text) { return TextExtent(Text).cx; }
  int TextHeight(const QString& Text) { return TextExtent(Text).cy; }

  // Graphics at their own size, or stretched into a rectangle. Opacity
  // (0..255) blends the graphic over what is there.
  void Draw(int X, int Y, TGraphic* Graphic);
  void Draw(int X, int Y, TGraphic* Graphic, Byte Opacity);
  void StretchDraw(const TRect& Rect, TGraphic* Graphic);
  // Copies Source of Canvas into Dest of this canvas with CopyMode,
  // stretching when the sizes differ.
  void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);

  // Serialises drawing from several threads; Lock may be nested.
  void Lock();
  bool TryLock();
  void Unlock();
  int LockCount() const { return FLockCount; }

  // Takes the font, pen and brush out of the DC; they are selected again on
  // the next drawing call.
  void Refresh() { DeselectHandles(); }

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  // Makes sure the parts in ReqState are in place: the DC (CreateHandle
  // when missing), then font, pen and brush selected into it.
  virtual void RequiredState(TCanvasState ReqState);
  // Provides a DC by calling SetHandle. The base canvas makes a memory DC.
  virtual void CreateHandle();
  virtual void Changing();
  virtual void Changed();
  void DeselectHandles();
  TCanvasState State() const { return FState; }
  // SetHandle for a DC the canvas deletes when it lets go of it.
  void AdoptHandle(HDC Value);
  // The DC as it is, without creating one.
  HDC RawHandle() const { return FHandle; }

 private:
  void SelectFont();
  void SelectPen();
  void SelectBrush();

  HDC FHandle = nullptr;
  bool FOwnsHandle = false;
  TCanvasState FState;
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TPen> FPen;
  std::unique_ptr<TBrush> FBrush;
  TPoint FPenPos;
  TCopyMode FCopyMode = cmSrcCopy;
  int FTextFlags = 0;
  std::recursive_mutex FLock;
  int FLockCount = 0;
};

// ---------------------------------------------------------------------------
// Graphics

class TGraphic;

// "class of TGraphic": the class information of a graphic class together
// with its CanLoadFromStream class function.
class TGraphicClass {
 public:
  TGraphicClass() = default;
  TGraphicClass(const TClassInfo* Info, bool (*CanLoad)(TStream*)) : FInfo(Info), FCanLoad(CanLoad) {}
  template <class T>
  static TGraphicClass Of() {
    return TGraphicClass(::ClassInfo<T>(), &T::CanLoadFromStream);
  }

  const TClassInfo* ClassInfo() const { return FInfo; }
  QString ClassName() const;
  // A new, empty graphic of the class; raises EInvalidGraphic when the class
  // cannot be created (abstract).
  std::unique_ptr<TGraphic> Create() const;
  // The class's CanLoadFromStream; the stream's position is kept.
  bool CanLoadFromStream(TStream* Stream) const;
  bool InheritsFrom(const TGraphicClass& Ancestor) const;
  explicit operator bool() const { return FInfo != nullptr; }
  bool operator==(const TGraphicClass& o) const { return FInfo == o.FInfo; }

 private:
  const TClassInfo* FInfo = nullptr;
  bool (*FCanLoad)(TStream*) = nullptr;
};

// An abstract image that can draw itself on a canvas and load and save
// itself. Loading bytes that do not decode raises EInvalidGraphic and
// leaves the graphic empty (Width = Height = 0); so does a declared size
// beyond the supported limits (see MaxImageSide and MaxImagePixels).
class TGraphic : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TGraphic)
  TGraphic() = default;
  TGraphic(const TGraphic&) = delete;
  TGraphic& operator=(const TGraphic&) = delete;

  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetWidth(int Value) { SetSize(Value, Height()); }
  virtual void SetHeight(int Value) { SetSize(Width(), Value); }
  virtual void SetSize(int AWidth, int AHeight) = 0;
  virtual bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool Value);
  // True when drawing blends per-pixel alpha.
  virtual bool SupportsPartialTransparency() const { return false; }
  bool Modified() const { return FModified; }
  void SetModified(bool Value);
  // Palettes are not used: every surface is true-colour.
  HPALETTE Palette() const { return nullptr; }

  virtual void LoadFromStream(TStream* Stream) = 0;
  virtual void SaveToStream(TStream* Stream) = 0;
  void LoadFromFile(const QString& FileName);
  void SaveToFile(const QString& FileName);
  // Class function of every graphic class: true when the bytes at the
  // stream's position look like this format. The position is kept.
  static bool CanLoadFromStream(TStream* Stream) { return false; }

  // The "Data" of a streamed picture or graphic property: by default the
  // graphic's own file format (bitmaps and JPEG images prefix it with its
  // length).
  virtual void ReadData(TStream* Stream);
  virtual void WriteData(TStream* Stream);
  // Same class and the same saved bytes.
  virtual bool Equals(TGraphic* Graphic);
  // Tells versions of a graphic's content apart: a number no other graphic
  // of the process has, and a count raised by every change (for a bitmap
  // also by every access to its pixels or canvas).
  uint64_t Serial() const { return FSerial; }
  uint64_t ChangeCount() const { return FChangeCount; }

  // The layer's own bridge to Qt: the pixels as an ARGB32-premultiplied
  // image (null when empty).
  virtual QImage ToImage() = 0;

  TNotifyEvent OnChange;

 protected:
  friend class TCanvas;
  friend class TPicture;
  virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;
  // Draws with a constant opacity; the default blends ToImage().
  virtual void DrawTransparent(TCanvas* ACanvas, const TRect& Rect, Byte Opacity);
  virtual void Changed(TObject* Sender);
  // Component streaming: ReadData/WriteData as the binary property "Data",
  // written unless the graphic is empty. Data that does not load raises
  // EReadError.
  void DefineProperties(TFiler* Filer) override;
  // Let a graphic draw through another one it holds.
  static void DrawGraphic(TGraphic* Graphic, TCanvas* ACanvas, const TRect& Rect) {
    Graphic->Draw(ACanvas, Rect);
  }
  static void DrawGraphicTransparent(TGraphic* Graphic, TCanvas* ACanvas, const TRect& Rect, Byte Opacity) {
    Graphic->DrawTransparent(ACanvas, Rect, Opacity);
  }

 protected:
  void BumpChangeCount() { ++FChangeCount; }

 private:
  static uint64_t NextGraphicSerial();
  bool FTransparent = false;
  bool FModified = false;
  uint64_t FSerial = NextGraphicSerial();
  uint64_t FChangeCount = 0;
};

// Largest image the decoders accept: sides up to MaxImageSide pixels and
// MaxImagePixels pixels in all (the GDI bitmap limits). The fuzz build
// (FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION, set by the fuzz preset) accepts
// at most a quarter of a million pixels, so that its time limit per input
// measures the parsers and not the filling of pictures as large as the
// limits allow.
inline constexpr int MaxImageSide = 65535;
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
inline constexpr int64_t MaxImagePixels = int64_t(1) << 18;
#else
inline constexpr int64_t MaxImagePixels = int64_t(1) << 28;
#endif
// Raises EInvalidGraphic when a declared size is out of range.
void CheckImageSize(int64_t Width, int64_t Height);

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
TF_ENUM_NAMES(TPixelFormat, pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom)

enum TTransparentMode { tmAuto, tmFixed };
TF_ENUM_NAMES(TTransparentMode, tmAuto, tmFixed)

enum TAlphaFormat { afIgnored, afDefined, afPremultiplied };
TF_ENUM_NAMES(TAlphaFormat, afIgnored, afDefined, afPremultiplied)

class TBitmapCanvas;

// A bitmap: pixels in one of the pixel formats, drawn on through Canvas and
// read and written row by row through ScanLine.
//
// The canvas draws on a 32-bit surface (QImage ARGB32 premultiplied, a
// top-down DIB section). pf32bit and pfDevice bitmaps are that surface
// itself; the other formats also keep their pixels in the format's own
// layout (rows top-down, each padded to 4 bytes, palettes for 8 bits and
// fewer), brought in step with the surface when one side is used after the
// other changed.
//
// A new or grown area is white. With pf32bit, AlphaFormat tells how the
// alpha bytes count: afIgnored (colours only: drawn opaque), afDefined
// (straight alpha, premultiplied in place when set), afPremultiplied.
// BMP files load with 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed,
// run-length encoded or with bit fields, top-down or bottom-up; they save
// in the bitmap's own format (pfDevice as 24 bits).
class TBitmap : public TGraphic {
 public:
  TF_DECLARE_PUBLISHED(TBitmap)
  TBitmap();
  TBitmap(int AWidth, int AHeight);
  ~TBitmap() override;

  void Assign(TPersistent* Source) override;

  bool Empty() const override { return FWidth == 0 || FHeight == 0; }
  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  // Keeps the pixels of the overlapping area; raises EInvalidGraphic for a
  // size beyond the limits (negative sizes count as 0).
  void SetSize(int AWidth, int AHeight) override;
  bool SupportsPartialTransparency() const override;

  TCanvas* Canvas();
  TPixelFormat PixelFormat() const { return FPixelFormat; }
  // Converts the pixels; raises EInvalidGraphic for pfCustom.
  void SetPixelFormat(TPixelFormat Value);
  bool Monochrome() const { return FPixelFormat == pf1bit; }
  void SetMonochrome(bool Value) { SetPixelFormat(Value ? pf1bit : pfDevice); }
  TAlphaFormat AlphaFormat() const { return FAlphaFormat; }
  void SetAlphaFormat(TAlphaFormat Value);
  // The colour drawn as transparent when Transparent is set: with tmAuto
  // the bottom-left pixel; the result carries 0x02000000 as in the
  // framework (clDefault for an empty bitmap).
  TColor TransparentColor();
  void SetTransparentColor(TColor Value);
  TTransparentMode TransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode Value);

  // The pixels of Row (0 = top) in the pixel format's layout, writable until
  // the bitmap is drawn on or resized. Raises EInvalidGraphicOperation "Scan
  // line index out of range" for a row outside the bitmap.
  void* ScanLine(int Row);
  // Bytes per row of ScanLine.
  int BytesPerScanLine() const;

  // The bitmap as an HBITMAP (a 32-bit DIB section), owned by the bitmap.
  // The canvas lets go of it first, so it can be selected into another DC.
  HBITMAP Handle();
  // Takes over a bitmap: its pixels are copied and the handle deleted.
  void SetHandle(HBITMAP Value);
  // Hands the HBITMAP to the caller (who deletes it); the bitmap keeps its
  // pixels in a new one.
  HBITMAP ReleaseHandle();
  bool HandleAllocated() const { return FHandle != nullptr; }

  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  static bool CanLoadFromStream(TStream* Stream);
  // Length-prefixed BMP data.
  void ReadData(TStream* Stream) override;
  void WriteData(TStream* Stream) override;

  QImage ToImage() override;
  // The layer's own bridge: replaces the bitmap with an image's pixels
  // (pf32bit with afDefined when the image has alpha, else pf24bit).
  void AssignImage(const QImage& Image);

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  void DrawTransparent(TCanvas* ACanvas, const TRect& Rect, Byte Opacity) override;

 private:
  friend class TBitmapCanvas;
  enum class TSync { InStep, SurfaceNewer, PixelsNewer };

  bool Mirrored() const { return FPixelFormat != pf32bit && FPixelFormat != pfDevice; }
  // Replaces the surface with one of the given size (pixels copied from
  // the old one where they overlap, white elsewhere).
  void Resize(int AWidth, int AHeight);
  void FreeSurface();
  void FreeContext();
  // Brings the surface or the format's pixels up to date.
  void SurfaceNeeded();
  void PixelsNeeded();
  // The canvas is about to draw on (or hand out) the surface.
  void SurfaceTouched();
  QImage SurfaceImage() const;
  void SurfaceToPixels();
  void PixelsToSurface();
  void SetDefaultPalette();
  void LoadImage(const QImage& Image, TPixelFormat Format, TAlphaFormat Alpha);
  void Clear();

  int FWidth = 0;
  int FHeight = 0;
  TPixelFormat FPixelFormat = pfDevice;
  TAlphaFormat FAlphaFormat = afIgnored;
  TTransparentMode FTransparentMode = tmAuto;
  TColor FTransparentColor = clDefault;
  HBITMAP FHandle = nullptr;   // the surface
  uint8_t* FBits = nullptr;    // its pixels (top-down, 4 bytes per pixel)
  std::vector<uint8_t> FPixels;  // the format's own layout (Mirrored formats)
  std::vector<RGBQUAD> FColors;  // palette of 1, 4 and 8 bits
  TSync FSync = TSync::InStep;
  std::unique_ptr<TBitmapCanvas> FCanvas;
};

// An icon: an ICO file holding one or more images. Width and Height are
// those of the image in use: the one that fits the size asked for by
// SetSize (32 x 32 unless set) best: the same size, else the smallest
// larger one, else the largest. Drawing blends the image's alpha (or its
// AND mask). Icons are always transparent; they save the ICO file they were
// loaded from.
class TIcon : public TGraphic {
 public:
  TF_DECLARE_PUBLISHED(TIcon)
  TIcon();
  ~TIcon() override;

  void Assign(TPersistent* Source) override;

  bool Empty() const override { return FImage.isNull(); }
  int Width() const override { return FImage.isNull() ? 0 : FImage.width(); }
  int Height() const override { return FImage.isNull() ? 0 : FImage.height(); }
  // Asks for a size: before loading, the size to pick; afterwards, picks
  // the stored image that fits it best.
  void SetSize(int AWidth, int AHeight) override;
  bool Transparent() const override { return true; }
  void SetTransparent(bool) override {}
  bool SupportsPartialTransparency() const override { return true; }

  // The sizes stored in the icon, in file order.
  std::vector<TSize> Sizes() const;

  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  static bool CanLoadFromStream(TStream* Stream);

  QImage ToImage() override { return FImage; }

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  void DrawTransparent(TCanvas* ACanvas, const TRect& Rect, Byte Opacity) override;

 private:
  struct TEntry {
    int BitCount = 0;
    QImage Image;  // ARGB32 premultiplied
  };
  void SelectEntry();
  TBitmap* DrawBitmap();

  std::vector<TEntry> FEntries;
  QByteArray FData;
  TSize FRequestedSize{32, 32};
  QImage FImage;
  std::unique_ptr<TBitmap> FBitmap;
};

// ---------------------------------------------------------------------------
// Pictures

// A holder of any graphic, with the file-format registry that maps file
// extensions and leading bytes to graphic classes. Built in: "bmp"
// (TBitmap), "ico" (TIcon), "jpeg"/"jpg" (TJPEGImage), "png" (TPngImage),
// "gif" (TGIFImage), "tif"/"tiff" (TWICImage), "wmf"/"emf" (TMetafile).
class TPicture : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TPicture)
  TPicture();
  ~TPicture() override;
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  void Assign(TPersistent* Source) override;

  TGraphic* Graphic() const { return FGraphic.get(); }
  // Holds a copy of Value (a new graphic of its class assigned from it);
  // null empties the picture. The class must be published (it is created by
  // its class information); EInvalidGraphic otherwise.
  void SetGraphic(TGraphic* Value);
  // The graphic as a bitmap; another graphic is replaced by an empty bitmap.
  TBitmap* Bitmap();
  void SetBitmap(TBitmap* Value) { SetGraphic(Value); }
  TIcon* Icon();
  void SetIcon(TIcon* Value) { SetGraphic(Value); }
  int Width() const { return FGraphic ? FGraphic->Width() : 0; }
  int Height() const { return FGraphic ? FGraphic->Height() : 0; }

  // The class comes from the file's extension, or from its first bytes when
  // the extension is not registered; EInvalidGraphic "Unknown picture file
  // extension (.xyz)" when neither tells. A file that fails to load leaves
  // the picture empty (and raises the graphic's error).
  void LoadFromFile(const QString& Filename);
  void SaveToFile(const QString& Filename);
  // The class comes from the first bytes (CanLoadFromStream of the
  // registered classes, the latest registered first); EInvalidGraphic
  // "Unsupported stream format" when none claims them.
  void LoadFromStream(TStream* Stream);
  void SaveToStream(TStream* Stream);

  // The "Data" of a streamed picture: the graphic's class name as a short
  // string (empty for none) followed by the graphic's data.
  void ReadData(TStream* Stream);
  void WriteData(TStream* Stream);

  // File-format registry. Extensions are given without the dot and
  // compared without case; registering an extension again replaces it.
  static void RegisterFileFormat(const QString& Extension, const QString& Description,
                                 TGraphicClass GraphicClass);
  // Removes every format whose class is AClass or descends from it.
  static void UnregisterGraphicClass(TGraphicClass AClass);
  // The class registered for an extension (with or without the dot), or a
  // null class.
  static TGraphicClass FindGraphicClass(const QString& Extension);
  // The registered class that claims the stream's bytes, or a null class.
  static TGraphicClass FindGraphicClass(TStream* Stream);
  static TGraphicClass FindGraphicClassByName(const QString& ClassName);

  TNotifyEvent OnChange;

 protected:
  virtual void Changed(TObject* Sender);
  void AssignTo(TPersistent* Dest) override;
  // Component streaming: ReadData/WriteData as the binary property "Data",
  // written whenever there is a graphic. Data that does not load raises
  // EReadError and leaves the picture as it was.
  void DefineProperties(TFiler* Filer) override;

 private:
  void ForceType(TGraphicClass AClass);
  void Take(std::unique_ptr<TGraphic> Graphic);

  std::unique_ptr<TGraphic> FGraphic;
};

// Open-dialog filter of the formats whose class is GraphicClass or descends
// from it: "All (*.a;*.b)|*.a;*.b|Desc A (*.a)|*.a|Desc B (*.b)|*.b" (the
// "All" entry only with more than one format), latest registered first.
QString GraphicFilter(TGraphicClass GraphicClass);
// The extension (without dot) registered for exactly that class, the latest
// registration first; empty when none.
QString GraphicExtension(TGraphicClass GraphicClass);
// "*.a;*.b" of the formats of the class and its descendants.
QString GraphicFileMask(TGraphicClass GraphicClass);
