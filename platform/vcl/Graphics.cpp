// Fonts, pens, brushes and the canvas.

#include "platform/vcl/Graphics.h"

#include <algorithm>
#include <deque>
#include <vector>

#include "platform/vcl/GraphicsConsts.h"

// ---------------------------------------------------------------------------
// TGraphicsObject

TF_PUBLISHED(TGraphicsObject, TPersistent) { return TPublished<TGraphicsObject>(); }

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// TFont

namespace {
constexpr const char16_t* kDefaultFontName = u"Tahoma";
constexpr int kDefaultFontHeight = -11;  // 8 points at 96 pixels per inch

BYTE QualityToLogFont(TFontQuality q) {
  switch (q) {
    case fqDraft: return DRAFT_QUALITY;
    case fqProof: return PROOF_QUALITY;
    case fqNonAntialiased: return NONANTIALIASED_QUALITY;
    case fqAntialiased: return ANTIALIASED_QUALITY;
    case fqClearType: return CLEARTYPE_QUALITY;
    case fqClearTypeNatural: return CLEARTYPE_NATURAL_QUALITY;
    case fqDefault: break;
  }
  return DEFAULT_QUALITY;
}

TFontQuality QualityFromLogFont(BYTE q) {
  switch (q) {
    case DRAFT_QUALITY: return fqDraft;
    case PROOF_QUALITY: return fqProof;
    case NONANTIALIASED_QUALITY: return fqNonAntialiased;
    case ANTIALIASED_QUALITY: return fqAntialiased;
    case CLEARTYPE_QUALITY: return fqClearType;
    case CLEARTYPE_NATURAL_QUALITY: return fqClearTypeNatural;
    default: return fqDefault;
  }
}
}  // namespace

TF_PUBLISHED(TFont, TGraphicsObject) {
  return TPublished<TFont>()
      .Integer("Charset", &TFont::Charset, &TFont::SetCharset)
      .Default(DEFAULT_CHARSET)
      .TypeName("TFontCharset")
      .Color("Color", &TFont::Color, &TFont::SetColor)
      .NoDefault()
      .Integer("Height", &TFont::Height, &TFont::SetHeight)
      .NoDefault()
      .String("Name", &TFont::Name, &TFont::SetName)
      .TypeName("TFontName")
      .Integer("Orientation", &TFont::Orientation, &TFont::SetOrientation)
      .Default(0)
      .Enum("Pitch", &TFont::Pitch, &TFont::SetPitch)
      .Default(fpDefault)
      .Integer("Size", &TFont::Size, &TFont::SetSize)
      .Stored(false)
      .Set("Style", &TFont::Style, &TFont::SetStyle)
      .Default(TFontStyles())
      .TypeName("TFontStyles")
      .Enum("Quality", &TFont::Quality, &TFont::SetQuality)
      .Default(fqDefault);
}

TFont::TFont() : FName(QString::fromUtf16(kDefaultFontName)), FHeight(kDefaultFontHeight) {}

TFont::~TFont() { FreeHandle(); }

void TFont::FreeHandle() {
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
}

void TFont::Modified(bool AffectsHandle) {
  HFONT old = nullptr;
  if (AffectsHandle) {
    old = FHandle;
    FHandle = nullptr;
  }
  // Listeners take the old font out of their DCs before it goes.
  Changed();
  if (old) DeleteObject(old);
}

void TFont::Assign(TPersistent* Source) {
  if (auto* f = dynamic_cast<TFont*>(Source)) {
    if (f == this) return;
    FName = f->FName;
    FHeight = f->FHeight;
    FStyle = f->FStyle;
    FColor = f->FColor;
    FCharset = f->FCharset;
    FPitch = f->FPitch;
    FOrientation = f->FOrientation;
    FQuality = f->FQuality;
    // A font at another resolution keeps its own and takes the size in points.
    if (FPixelsPerInch != f->FPixelsPerInch) FHeight = -MulDiv(f->Size(), FPixelsPerInch, 72);
    Modified(true);
    return;
  }
  TGraphicsObject::Assign(Source);
}

void TFont::SetName(const QString& Value) {
  if (Value.isEmpty() || Value == FName) return;
  FName = Value;
  Modified(true);
}

void TFont::SetHeight(int Value) {
  if (Value == FHeight) return;
  FHeight = Value;
  Modified(true);
}

int TFont::Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetSize(int Value) { SetHeight(-MulDiv(Value, FPixelsPerInch, 72)); }

void TFont::SetStyle(TFontStyles Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Modified(true);
}

void TFont::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  Modified(false);
}

void TFont::SetCharset(TFontCharset Value) {
  if (Value == FCharset) return;
  FCharset = Value;
  Modified(true);
}

void TFont::SetPitch(TFontPitch Value) {
  if (Value == FPitch) return;
  FPitch = Value;
  Modified(true);
}

void TFont::SetOrientation(int Value) {
  if (Value == FOrientation) return;
  FOrientation = Value;
  Modified(true);
}

void TFont::SetQuality(TFontQuality Value) {
  if (Value == FQuality) return;
  FQuality = Value;
  Modified(true);
}

void TFont::SetPixelsPerInch(int Value) {
  if (Value > 0) FPixelsPerInch = Value;
}

LOGFONTW TFont::LogFont() const {
  LOGFONTW lf{};
  lf.lfHeight = FHeight;
  lf.lfEscapement = FOrientation;
  lf.lfOrientation = FOrientation;
  lf.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = FStyle.Contains(fsItalic) ? 1 : 0;
  lf.lfUnderline = FStyle.Contains(fsUnderline) ? 1 : 0;
  lf.lfStrikeOut = FStyle.Contains(fsStrikeOut) ? 1 : 0;
  lf.lfCharSet = FCharset;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = QualityToLogFont(FQuality);
  lf.lfPitchAndFamily = FPitch == fpFixed ? FIXED_PITCH : FPitch == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
  QString face = FName.compare(QLatin1String("Default"), Qt::CaseInsensitive) == 0
                     ? QString::fromUtf16(kDefaultFontName)
                     : FName;
  face.truncate(LF_FACESIZE - 1);
  std::copy_n(reinterpret_cast<const char16_t*>(face.utf16()), face.size(), lf.lfFaceName);
  return lf;
}

HFONT TFont::Handle() {
  if (FHandle) return FHandle;
  const LOGFONTW lf = LogFont();
  FHandle = CreateFontIndirectW(&lf);
  if (!FHandle) throw EOutOfMemory(QStringLiteral("Cannot create the font %1").arg(FName));
  return FHandle;
}

QFont TFont::QtFont() const { return QtFontOf(LogFont()); }

bool TFont::SameAs(const TFont& Other) const {
  return FName == Other.FName && FHeight == Other.FHeight && FStyle == Other.FStyle && FColor == Other.FColor &&
         FCharset == Other.FCharset && FPitch == Other.FPitch && FOrientation == Other.FOrientation &&
         FQuality == Other.FQuality && FPixelsPerInch == Other.FPixelsPerInch;
}

void TFont::SetHandle(HFONT Value) {
  if (Value == FHandle) return;
  if (!Value) {
    FreeHandle();
    return;
  }
  LOGFONTW lf{};
  if (GetObjectW(Value, sizeof(lf), &lf) != int(sizeof(lf))) throw EInvalidGraphic(QStringLiteral("Invalid font handle"));
  FName = QString::fromUtf16(lf.lfFaceName);
  FHeight = lf.lfHeight;
  FStyle = TFontStyles();
  if (lf.lfWeight >= FW_SEMIBOLD) FStyle.Include(fsBold);
  if (lf.lfItalic) FStyle.Include(fsItalic);
  if (lf.lfUnderline) FStyle.Include(fsUnderline);
  if (lf.lfStrikeOut) FStyle.Include(fsStrikeOut);
  FCharset = lf.lfCharSet;
  const BYTE pitch = lf.lfPitchAndFamily & 0x03;
  FPitch = pitch == FIXED_PITCH ? fpFixed : pitch == VARIABLE_PITCH ? fpVariable : fpDefault;
  FOrientation = lf.lfEscapement;
  FQuality = QualityFromLogFont(lf.lfQuality);
  HFONT old = FHandle;
  FHandle = Value;
  Changed();
  if (old) DeleteObject(old);
}

// ---------------------------------------------------------------------------
// TPen

int PenModeToRop2(TPenMode Mode) {
  static constexpr int kRop2[] = {R2_BLACK,       R2_WHITE,       R2_NOP,        R2_NOT,
                                  R2_COPYPEN,     R2_NOTCOPYPEN,  R2_MERGEPENNOT, R2_MASKPENNOT,
                                  R2_MERGENOTPEN, R2_MASKNOTPEN,  R2_MERGEPEN,   R2_NOTMERGEPEN,
                                  R2_MASKPEN,     R2_NOTMASKPEN,  R2_XORPEN,     R2_NOTXORPEN};
  const int i = int(Mode);
  return i >= 0 && i < int(std::size(kRop2)) ? kRop2[i] : R2_COPYPEN;
}

TF_PUBLISHED(TPen, TGraphicsObject) {
  return TPublished<TPen>()
      .Color("Color", &TPen::Color, &TPen::SetColor)
      .Default(clBlack)
      .Enum("Mode", &TPen::Mode, &TPen::SetMode)
      .Default(pmCopy)
      .Enum("Style", &TPen::Style, &TPen::SetStyle)
      .Default(psSolid)
      .Integer("Width", &TPen::Width, &TPen::SetWidth)
      .Default(1);
}

TPen::~TPen() { FreeHandle(); }

void TPen::FreeHandle() {
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
}

void TPen::Modified() {
  HPEN old = FHandle;
  FHandle = nullptr;
  Changed();
  if (old) DeleteObject(old);
}

void TPen::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TPen*>(Source)) {
    if (p == this) return;
    FColor = p->FColor;
    FMode = p->FMode;
    FStyle = p->FStyle;
    FWidth = p->FWidth;
    FUserStyle = p->FUserStyle;
    Modified();
    return;
  }
  TGraphicsObject::Assign(Source);
}

void TPen::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  Modified();
}

void TPen::SetMode(TPenMode Value) {
  if (Value == FMode) return;
  FMode = Value;
  // The mode is a DC attribute, not part of the GDI pen.
  Changed();
}

void TPen::SetStyle(TPenStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Modified();
}

void TPen::SetWidth(int Value) {
  if (Value < 0 || Value == FWidth) return;
  FWidth = Value;
  Modified();
}

void TPen::SetUserStyle(const std::vector<DWORD>& Value) {
  if (Value == FUserStyle) return;
  FUserStyle = Value;
  if (FStyle == psUserStyle) Modified();
}

HPEN TPen::Handle() {
  if (FHandle) return FHandle;
  const COLORREF color = COLORREF(ColorToRGB(FColor));
  if (FStyle == psAlternate || (FStyle == psUserStyle && !FUserStyle.empty())) {
    LOGBRUSH lb{BS_SOLID, color, 0};
    const bool user = FStyle == psUserStyle;
    FHandle = ExtCreatePen(PS_COSMETIC | (user ? PS_USERSTYLE : PS_ALTERNATE), 1, &lb,
                           user ? DWORD(FUserStyle.size()) : 0, user ? FUserStyle.data() : nullptr);
  } else {
    static constexpr int kStyles[] = {int(PS_SOLID),      int(PS_DASH), int(PS_DOT),
                                      int(PS_DASHDOT),    int(PS_DASHDOTDOT), int(PS_NULL),
                                      int(PS_INSIDEFRAME), int(PS_SOLID), int(PS_SOLID)};
    FHandle = CreatePen(kStyles[int(FStyle)], FWidth, color);
  }
  if (!FHandle) throw EOutOfMemory(QStringLiteral("Cannot create the pen"));
  return FHandle;
}

// ---------------------------------------------------------------------------
// TBrush

TF_PUBLISHED(TBrush, TGraphicsObject) {
  return TPublished<TBrush>()
      .Color("Color", &TBrush::Color, &TBrush::SetColor)
      .Default(clWhite)
      .Enum("Style", &TBrush::Style, &TBrush::SetStyle)
      .Default(bsSolid);
}

TBrush::~TBrush() { FreeHandle(); }

void TBrush::FreeHandle() {
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
}

void TBrush::Modified() {
  HBRUSH old = FHandle;
  FHandle = nullptr;
  Changed();
  if (old) DeleteObject(old);
}

void TBrush::Assign(TPersistent* Source) {
  if (auto* b = dynamic_cast<TBrush*>(Source)) {
    if (b == this) return;
    FColor = b->FColor;
    FStyle = b->FStyle;
    FBitmap = b->FBitmap;
    Modified();
    return;
  }
  TGraphicsObject::Assign(Source);
}

void TBrush::SetColor(TColor Value) {
  if (Value == FColor && FStyle != bsClear) return;
  FColor = Value;
  if (FStyle == bsClear) FStyle = bsSolid;
  Modified();
}

void TBrush::SetStyle(TBrushStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Modified();
}

void TBrush::SetBitmap(TBitmap* Value) {
  if (Value == FBitmap) return;
  FBitmap = Value;
  Modified();
}

HBRUSH TBrush::Handle() {
  if (FHandle) return FHandle;
  const COLORREF color = COLORREF(ColorToRGB(FColor));
  if (FBitmap && !FBitmap->Empty()) {
    FHandle = CreatePatternBrush(FBitmap->Handle());
  } else if (FStyle == bsSolid) {
    FHandle = CreateSolidBrush(color);
  } else if (FStyle == bsClear) {
    LOGBRUSH lb{BS_NULL, color, 0};
    FHandle = CreateBrushIndirect(&lb);
  } else {
    static constexpr int kHatch[] = {0, 0, HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};
    FHandle = CreateHatchBrush(kHatch[int(FStyle)], color);
  }
  if (!FHandle) throw EOutOfMemory(QStringLiteral("Cannot create the brush"));
  return FHandle;
}

// ---------------------------------------------------------------------------
// Text formats

UINT TextFormatToFlags(TTextFormat Format) {
  struct TMap {
    TTextFormats Option;
    UINT Flag;
  };
  static constexpr TMap kFlags[] = {
      {tfBottom, DT_BOTTOM},
      {tfCalcRect, DT_CALCRECT},
      {tfCenter, DT_CENTER},
      {tfEditControl, DT_EDITCONTROL},
      {tfEndEllipsis, DT_END_ELLIPSIS},
      {tfPathEllipsis, DT_PATH_ELLIPSIS},
      {tfExpandTabs, DT_EXPANDTABS},
      {tfExternalLeading, DT_EXTERNALLEADING},
      {tfLeft, DT_LEFT},
      {tfModifyString, DT_MODIFYSTRING},
      {tfNoClip, DT_NOCLIP},
      {tfNoPrefix, DT_NOPREFIX},
      {tfRight, DT_RIGHT},
      {tfRtlReading, DT_RTLREADING},
      {tfSingleLine, DT_SINGLELINE},
      {tfTop, DT_TOP},
      {tfVerticalCenter, DT_VCENTER},
      {tfWordBreak, DT_WORDBREAK},
      {tfHidePrefix, DT_HIDEPREFIX},
      {tfNoFullWidthCharBreak, DT_NOFULLWIDTHCHARBREAK},
      {tfPrefixOnly, DT_PREFIXONLY},
      {tfTabStop, DT_TABSTOP},
      {tfWordEllipsis, DT_WORD_ELLIPSIS},
  };
  UINT flags = 0;
  for (const TMap& m : kFlags)
    if (Format.Contains(m.Option)) flags |= m.Flag;
  return flags;
}

// ---------------------------------------------------------------------------
// TCanvas

namespace {
RECT ToRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }
TRect FromRECT(const RECT& r) { return TRect(r.left, r.top, r.right, r.bottom); }

std::vector<POINT> ToPOINTs(std::span<const TPoint> pts) {
  std::vector<POINT> out;
  out.reserve(pts.size());
  for (const TPoint& p : pts) out.push_back(POINT{p.X, p.Y});
  return out;
}

}  // namespace

TF_PUBLISHED(TCanvas, TPersistent) {
  return TPublished<TCanvas>()
      .Object("Brush", &TCanvas::Brush, &TCanvas::SetBrush)
      .Integer("CopyMode", &TCanvas::CopyMode, &TCanvas::SetCopyMode)
      .Default(cmSrcCopy)
      .TypeName("TCopyMode")
      .Object("Font", &TCanvas::Font, &TCanvas::SetFont)
      .Object("Pen", &TCanvas::Pen, &TCanvas::SetPen)
      .Event("OnChange", &TCanvas::OnChange)
      .Event("OnChanging", &TCanvas::OnChanging);
}

TCanvas::TCanvas()
    : FFont(std::make_unique<TFont>()), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()) {
  FFont->OnChange = [this](TObject*) {
    if (FState.Contains(csFontValid)) {
      SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
      FState.Exclude(csFontValid);
    }
  };
  FPen->OnChange = [this](TObject*) {
    if (FState.Contains(csPenValid)) {
      SelectObject(FHandle, GetStockObject(BLACK_PEN));
      FState.Exclude(csPenValid);
    }
  };
  FBrush->OnChange = [this](TObject*) {
    if (FState.Contains(csBrushValid)) {
      SelectObject(FHandle, GetStockObject(HOLLOW_BRUSH));
      FState.Exclude(csBrushValid);
    }
  };
}

TCanvas::~TCanvas() {
  // The DC goes before the font, pen and brush, which it may still hold.
  SetHandle(nullptr);
}

HDC TCanvas::Handle() {
  RequiredState({csHandleValid, csFontValid, csPenValid, csBrushValid});
  return FHandle;
}

void TCanvas::SetHandle(HDC Value) {
  if (Value == FHandle) return;
  if (FHandle) {
    DeselectHandles();
    POINT p{};
    if (GetCurrentPositionEx(FHandle, &p)) FPenPos = TPoint(p.x, p.y);
    if (FOwnsHandle) DeleteDC(FHandle);
    FHandle = nullptr;
    FOwnsHandle = false;
    FState.Exclude(csHandleValid);
  }
  if (Value) {
    FHandle = Value;
    FState.Include(csHandleValid);
    MoveToEx(FHandle, FPenPos.X, FPenPos.Y, nullptr);
  }
}

void TCanvas::CreateHandle() {
  if (HDC dc = CreateCompatibleDC(nullptr)) AdoptHandle(dc);
}

void TCanvas::AdoptHandle(HDC Value) {
  SetHandle(Value);
  FOwnsHandle = Value != nullptr;
}

void TCanvas::DeselectHandles() {
  if (!FHandle) return;
  if (FState.Contains(csPenValid) || FState.Contains(csBrushValid) || FState.Contains(csFontValid)) {
    SelectObject(FHandle, GetStockObject(BLACK_PEN));
    SelectObject(FHandle, GetStockObject(HOLLOW_BRUSH));
    SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
  }
  FState.Exclude(csPenValid);
  FState.Exclude(csBrushValid);
  FState.Exclude(csFontValid);
}

void TCanvas::RequiredState(TCanvasState ReqState) {
  TCanvasState needed = ReqState - FState;
  if (needed.Empty()) return;
  if (needed.Contains(csHandleValid)) {
    CreateHandle();
    if (!FHandle) throw EInvalidOperation(QString::fromLatin1(GraphicsConsts::SNoCanvasHandle));
    FState.Include(csHandleValid);
  }
  if (needed.Contains(csFontValid)) SelectFont();
  if (needed.Contains(csPenValid)) {
    SelectPen();
    // The gaps of a dashed line take the background colour and mode, which
    // come with the brush.
    const TPenStyle s = FPen->Style();
    if (s == psDash || s == psDot || s == psDashDot || s == psDashDotDot) needed.Include(csBrushValid);
  }
  if (needed.Contains(csBrushValid) && !FState.Contains(csBrushValid)) SelectBrush();
}

void TCanvas::SelectFont() {
  SelectObject(FHandle, FFont->Handle());
  SetTextColor(FHandle, COLORREF(ColorToRGB(FFont->Color())));
  FState.Include(csFontValid);
}

void TCanvas::SelectPen() {
  SelectObject(FHandle, FPen->Handle());
  SetROP2(FHandle, PenModeToRop2(FPen->Mode()));
  FState.Include(csPenValid);
}

void TCanvas::SelectBrush() {
  SelectObject(FHandle, FBrush->Handle());
  const COLORREF color = COLORREF(ColorToRGB(FBrush->Color()));
  if (FBrush->Style() == bsSolid) {
    SetBkColor(FHandle, color);
    SetBkMode(FHandle, OPAQUE);
  } else {
    // Hatches and patterns draw over what is there; the background colour
    // is set apart from the brush colour so a hatch always shows.
    SetBkColor(FHandle, ~color & 0x00FFFFFF);
    SetBkMode(FHandle, TRANSPARENT);
  }
  FState.Include(csBrushValid);
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

TPoint TCanvas::PenPos() {
  RequiredState({csHandleValid});
  POINT p{};
  GetCurrentPositionEx(FHandle, &p);
  return TPoint(p.x, p.y);
}

void TCanvas::MoveTo(int X, int Y) {
  RequiredState({csHandleValid});
  MoveToEx(FHandle, X, Y, nullptr);
}

void TCanvas::LineTo(int X, int Y) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::LineTo(FHandle, X, Y);
  Changed();
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Rectangle(FHandle, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::RoundRect(FHandle, X1, Y1, X2, Y2, X3, Y3);
  Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Ellipse(FHandle, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Arc(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  Changed();
}

void TCanvas::ArcTo(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::ArcTo(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  Changed();
}

void TCanvas::AngleArc(int X, int Y, Cardinal Radius, Single StartAngle, Single SweepAngle) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::AngleArc(FHandle, X, Y, Radius, StartAngle, SweepAngle);
  Changed();
}

void TCanvas::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Pie(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  Changed();
}

void TCanvas::Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Chord(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  Changed();
}

void TCanvas::Polygon(std::span<const TPoint> Points) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  const std::vector<POINT> pts = ToPOINTs(Points);
  if (!pts.empty()) ::Polygon(FHandle, pts.data(), int(pts.size()));
  Changed();
}

void TCanvas::Polyline(std::span<const TPoint> Points) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  const std::vector<POINT> pts = ToPOINTs(Points);
  if (!pts.empty()) ::Polyline(FHandle, pts.data(), int(pts.size()));
  Changed();
}

void TCanvas::PolyBezier(std::span<const TPoint> Points) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  const std::vector<POINT> pts = ToPOINTs(Points);
  if (!pts.empty()) ::PolyBezier(FHandle, pts.data(), DWORD(pts.size()));
  Changed();
}

void TCanvas::PolyBezierTo(std::span<const TPoint> Points) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  const std::vector<POINT> pts = ToPOINTs(Points);
  if (!pts.empty()) ::PolyBezierTo(FHandle, pts.data(), DWORD(pts.size()));
  Changed();
}

void TCanvas::FillRect(const TRect& Rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  const RECT r = ToRECT(Rect);
  ::FillRect(FHandle, &r, FBrush->Handle());
  Changed();
}

void TCanvas::FrameRect(const TRect& Rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  const RECT r = ToRECT(Rect);
  ::FrameRect(FHandle, &r, FBrush->Handle());
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& Rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  const RECT r = ToRECT(Rect);
  ::DrawFocusRect(FHandle, &r);
  Changed();
}

void TCanvas::FloodFill(int X, int Y, TColor Color, TFillStyle FillStyle) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  const TRect clip = ClipRect();
  const COLORREF key = COLORREF(ColorToRGB(Color)) & 0x00FFFFFF;
  auto inside = [&](int x, int y) {
    const COLORREF c = GetPixel(FHandle, x, y);
    if (c == CLR_INVALID) return false;
    return FillStyle == fsSurface ? c == key : c != key;
  };
  if (clip.Contains(TPoint(X, Y)) && inside(X, Y)) {
    const int w = clip.Width(), h = clip.Height();
    std::vector<uint8_t> seen(size_t(w) * size_t(h), 0);
    auto mark = [&](int x, int y) -> uint8_t& { return seen[size_t(y - clip.Top) * size_t(w) + size_t(x - clip.Left)]; };
    HRGN area = CreateRectRgn(0, 0, 0, 0);
    HRGN run = CreateRectRgn(0, 0, 0, 0);
    std::deque<TPoint> todo{TPoint(X, Y)};
    mark(X, Y) = 1;
    // Scan-line fill: each seed grows into a horizontal run, whose
    // neighbours above and below seed the next runs.
    while (!todo.empty()) {
      const TPoint p = todo.front();
      todo.pop_front();
      int l = p.X, r = p.X;
      while (l - 1 >= clip.Left && !mark(l - 1, p.Y) && inside(l - 1, p.Y)) mark(--l, p.Y) = 1;
      while (r + 1 < clip.Right && !mark(r + 1, p.Y) && inside(r + 1, p.Y)) mark(++r, p.Y) = 1;
      SetRectRgn(run, l, p.Y, r + 1, p.Y + 1);
      CombineRgn(area, area, run, RGN_OR);
      for (int ny : {p.Y - 1, p.Y + 1}) {
        if (ny < clip.Top || ny >= clip.Bottom) continue;
        for (int x = l; x <= r; ++x) {
          if (!mark(x, ny) && inside(x, ny)) {
            mark(x, ny) = 1;
            todo.push_back(TPoint(x, ny));
          }
        }
      }
    }
    // The region is in logical units as the pixels were read; FillRgn maps it.
    ::FillRgn(FHandle, area, FBrush->Handle());
    DeleteObject(run);
    DeleteObject(area);
  }
  Changed();
}

TColor TCanvas::Pixels(int X, int Y) {
  RequiredState({csHandleValid});
  return TColor(GetPixel(FHandle, X, Y));
}

void TCanvas::SetPixels(int X, int Y, TColor Value) {
  Changing();
  RequiredState({csHandleValid, csPenValid});
  SetPixel(FHandle, X, Y, COLORREF(ColorToRGB(Value)));
  Changed();
}

TRect TCanvas::ClipRect() {
  RequiredState({csHandleValid});
  RECT r{};
  GetClipBox(FHandle, &r);
  return FromRECT(r);
}

void TCanvas::TextOut(int X, int Y, const QString& Text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  const auto* s = reinterpret_cast<LPCWSTR>(Text.utf16());
  ExtTextOutW(FHandle, X, Y, UINT(FTextFlags), nullptr, s, UINT(Text.size()), nullptr);
  SIZE sz{};
  GetTextExtentPoint32W(FHandle, s, int(Text.size()), &sz);
  MoveToEx(FHandle, X + sz.cx, Y, nullptr);
  Changed();
}

void TCanvas::TextRect(const TRect& Rect, int X, int Y, const QString& Text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  UINT options = ETO_CLIPPED | UINT(FTextFlags);
  if (FBrush->Style() != bsClear) options |= ETO_OPAQUE;
  const RECT r = ToRECT(Rect);
  ExtTextOutW(FHandle, X, Y, options, &r, reinterpret_cast<LPCWSTR>(Text.utf16()), UINT(Text.size()), nullptr);
  Changed();
}

void TCanvas::TextRect(TRect& Rect, QString& Text, TTextFormat TextFormat) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  const UINT flags = TextFormatToFlags(TextFormat);
  RECT r = ToRECT(Rect);
  if (flags & DT_MODIFYSTRING) {
    // DrawText may write the displayed text (with an ellipsis of up to
    // three characters more) back into the buffer.
    std::vector<WCHAR> buffer(size_t(Text.size()) + 5, 0);
    std::copy_n(reinterpret_cast<const WCHAR*>(Text.utf16()), Text.size(), buffer.data());
    DrawTextExW(FHandle, buffer.data(), int(Text.size()), &r, flags, nullptr);
    Text = QString::fromUtf16(buffer.data());
  } else {
    DrawTextW(FHandle, reinterpret_cast<LPCWSTR>(Text.utf16()), int(Text.size()), &r, flags);
  }
  if (flags & DT_CALCRECT) Rect = FromRECT(r);
  Changed();
}

TSize TCanvas::TextExtent(const QString& Text) {
  RequiredState({csHandleValid, csFontValid});
  SIZE sz{};
  GetTextExtentPoint32W(FHandle, reinterpret_cast<LPCWSTR>(Text.utf16()), int(Text.size()), &sz);
  return TSize(sz.cx, sz.cy);
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  Changing();
  RequiredState({csHandleValid});
  // Monochrome sources take the text and background colours.
  SetBkColor(FHandle, COLORREF(ColorToRGB(FBrush->Color())));
  SetTextColor(FHandle, COLORREF(ColorToRGB(FFont->Color())));
  Graphic->Draw(this, Bounds(X, Y, Graphic->Width(), Graphic->Height()));
  Changed();
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic, Byte Opacity) {
  if (!Graphic || Graphic->Empty()) return;
  if (Opacity == 255) {
    Draw(X, Y, Graphic);
    return;
  }
  Changing();
  RequiredState({csHandleValid});
  Graphic->DrawTransparent(this, Bounds(X, Y, Graphic->Width(), Graphic->Height()), Opacity);
  Changed();
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  Changing();
  RequiredState({csHandleValid});
  SetBkColor(FHandle, COLORREF(ColorToRGB(FBrush->Color())));
  SetTextColor(FHandle, COLORREF(ColorToRGB(FFont->Color())));
  Graphic->Draw(this, Rect);
  Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
  if (!Canvas) return;
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  Canvas->RequiredState({csHandleValid, csBrushValid});
  StretchBlt(FHandle, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), Canvas->FHandle, Source.Left,
             Source.Top, Source.Width(), Source.Height(), DWORD(FCopyMode));
  Changed();
}

void TCanvas::Lock() {
  FLock.lock();
  ++FLockCount;
}

bool TCanvas::TryLock() {
  if (!FLock.try_lock()) return false;
  ++FLockCount;
  return true;
}

void TCanvas::Unlock() {
  if (FLockCount <= 0) return;
  --FLockCount;
  FLock.unlock();
}
