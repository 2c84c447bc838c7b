// The static GDI+ binding: flat-function lookup, helpers, start-up, the
// wrapper base, regions, image attributes and fonts.

#include "gdiplus/KitGDIP.h"

#include <QLoggingCategory>

#include <atomic>
#include <cmath>
#include <mutex>

#include "gdiplus/KitGDIPFlat.h"
#include "platform/gdiplusapi/GdiPlusImages.h"
#include "platform/gdiplusapi/LogCategories.h"

namespace KitGDIP {

// ---------------------------------------------------------------------------
// Flat functions

namespace Flat {
const TApi& Api() {
  static const TApi api = [] {
    TApi a;
#define KITGDIP_FLAT_BIND(Result, Name, Params) a.Name = reinterpret_cast<PFN_##Name>(GdiplusProc(#Name));
    GDIPLUS_FLAT_API(KITGDIP_FLAT_BIND)
#undef KITGDIP_FLAT_BIND
    return a;
  }();
  return api;
}
}  // namespace Flat

// ---------------------------------------------------------------------------
// Colour and geometry helpers

ARGB ColorToArgb(TColor Color) { return ColorToArgbWithAlpha(255, Color); }

ARGB ColorToArgbWithAlpha(Byte Alpha, TColor Color) {
  const uint32_t rgb = uint32_t(ColorToRGB(Color));
  return MakeArgb(Alpha, Byte(rgb & 0xFF), Byte((rgb >> 8) & 0xFF), Byte((rgb >> 16) & 0xFF));
}

ARGB MakeArgb(Byte a, Byte r, Byte g, Byte b) {
  return (ARGB(a) << 24) | (ARGB(r) << 16) | (ARGB(g) << 8) | ARGB(b);
}

ARGB MakeOpaqueArgb(Byte r, Byte g, Byte b) { return MakeArgb(255, r, g, b); }
Byte ArgbRed(ARGB argb) { return Byte((argb >> 16) & 0xFF); }
Byte ArgbGreen(ARGB argb) { return Byte((argb >> 8) & 0xFF); }
Byte ArgbBlue(ARGB argb) { return Byte(argb & 0xFF); }
Byte ArgbAlpha(ARGB argb) { return Byte((argb >> 24) & 0xFF); }
TGPPoint MakePoint(int X, int Y) { return TGPPoint{X, Y}; }
TGPPointF MakePointF(REAL X, REAL Y) { return TGPPointF{X, Y}; }
TGPPointF MakePointF(const TPoint& P) { return TGPPointF{REAL(P.X), REAL(P.Y)}; }
TGPRectF MakeRectF(REAL x, REAL y, REAL width, REAL height) { return TGPRectF{x, y, width, height}; }
TGPRect MakeRect(int x, int y, int width, int height) { return TGPRect{x, y, width, height}; }

int RoundEven(double Value) {
  if (!std::isfinite(Value)) return 0;
  const double r = std::nearbyint(Value);  // the default rounding mode: halves to even
  if (r >= double(INT32_MAX)) return INT32_MAX;
  if (r <= double(INT32_MIN)) return INT32_MIN;
  return int(r);
}

// ---------------------------------------------------------------------------
// Start-up

GdiplusStartupInput StartupInput;
GdiplusStartupOutput StartupOutput{nullptr, nullptr};
ULONG_PTR gdiplusToken = 0;
ULONG_PTR gdiplusHookToken = 0;
bool ModuleIsLibrary = false;

std::function<int()> OSMajorVersion = [] { return 10; };
std::function<TStatus(ULONG_PTR*, const GdiplusStartupInput*, GdiplusStartupOutput*)> StartupFunction =
    [](ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output) {
      return GDIP(GdiplusStartup)(token, input, output);
    };
std::function<void(ULONG_PTR)> ShutdownFunction = [](ULONG_PTR token) { GDIP(GdiplusShutdown)(token); };

namespace {
using THookProc = TStatus (*)(ULONG_PTR* token);
using TUnhookProc = void (*)(ULONG_PTR token);

std::recursive_mutex& StartupLock() {
  static std::recursive_mutex* lock = new std::recursive_mutex;  // usable during exit
  return *lock;
}

bool initialized = false;

// Starts GDI+ with the unit's records; the token replaces the old one.
void StartGdiplus() {
  StartupInput = GdiplusStartupInput{};
  StartupInput.GdiplusVersion = 1;
  StartupInput.DebugEventCallback = nullptr;
  StartupInput.SuppressBackgroundThread = TRUE;
  StartupInput.SuppressExternalCodecs = FALSE;
  StartupOutput = GdiplusStartupOutput{nullptr, nullptr};
  ULONG_PTR token = 0;
  const TStatus status = StartupFunction ? StartupFunction(&token, &StartupInput, &StartupOutput) : GenericError;
  if (status != Ok) {
    qCWarning(lcGdiPlus) << "GDI+ start-up failed with status" << int(status);
    return;
  }
  gdiplusToken = token;
}

struct TUnitLife {
  TUnitLife() { Initialization(); }
  ~TUnitLife() { Finalization(); }
};
const TUnitLife kUnitLife;
}  // namespace

bool IsVistaOrLater() { return (OSMajorVersion ? OSMajorVersion() : 10) >= 6; }

void Initialization() {
  (void)kUnitLife;
  std::lock_guard guard(StartupLock());
  if (initialized) return;
  initialized = true;
  // The framework's TIFF and metafile pictures decode through GDI+.
  InstallGdiplusImageDecoder();
  StartGdiplus();
  if (gdiplusToken != 0 && !IsVistaOrLater() && StartupOutput.NotificationHook) {
    gdiplusHookToken = 0;
    reinterpret_cast<THookProc>(StartupOutput.NotificationHook)(&gdiplusHookToken);
  }
}

void Finalization() {
  std::lock_guard guard(StartupLock());
  if (!initialized) return;
  initialized = false;
  if (ModuleIsLibrary) return;
  if (!IsVistaOrLater() && StartupOutput.NotificationUnhook && gdiplusHookToken != 0)
    reinterpret_cast<TUnhookProc>(StartupOutput.NotificationUnhook)(gdiplusHookToken);
  gdiplusHookToken = 0;
  if (gdiplusToken != 0 && ShutdownFunction) ShutdownFunction(gdiplusToken);
  gdiplusToken = 0;
}

bool Initialized() {
  std::lock_guard guard(StartupLock());
  return initialized;
}

// ---------------------------------------------------------------------------
// TGdiplusBase

TF_PUBLISHED(TGdiplusBase, TObject) { return TPublished<TGdiplusBase>(); }

namespace {
// Once the library runs it runs to the end of the process.
std::atomic<bool> libraryRunning{false};
}  // namespace

TGdiplusBase::TGdiplusBase() {
  if (libraryRunning.load(std::memory_order_relaxed)) return;
  // The start-up failed or GDI+ is not running: one more attempt, as the
  // first failing allocation would make it.
  if (!GdiplusLibraryStarted()) {
    std::lock_guard guard(StartupLock());
    if (!GdiplusLibraryStarted() && !ModuleIsLibrary) StartGdiplus();
  }
  if (GdiplusLibraryStarted()) libraryRunning.store(true, std::memory_order_relaxed);
}

// ---------------------------------------------------------------------------
// TGPRegion

TF_PUBLISHED(TGPRegion, TGdiplusBase) { return TPublished<TGPRegion>(); }

TGPRegion::TGPRegion(const TGPRectF& rect) { lastResult = GDIP(GdipCreateRegionRect)(&rect, &nativeRegion); }

TGPRegion::TGPRegion(TGPGraphicsPath* path) {
  lastResult = GDIP(GdipCreateRegionPath)(TNative::Get(path), &nativeRegion);
}

TGPRegion::~TGPRegion() {
  if (nativeRegion) GDIP(GdipDeleteRegion)(nativeRegion);
}

TStatus TGPRegion::SetStatus(TStatus status) {
  if (status != Ok) lastResult = status;
  return status;
}

TStatus TGPRegion::Exclude(TGPGraphicsPath* path) {
  return SetStatus(GDIP(GdipCombineRegionPath)(nativeRegion, TNative::Get(path), CombineModeExclude));
}

TStatus TGPRegion::Union(TGPRegion* region) {
  return SetStatus(
      GDIP(GdipCombineRegionRegion)(nativeRegion, TNative::Get(region), CombineModeUnion));
}

TStatus TGPRegion::GetLastStatus() {
  const TStatus result = lastResult;
  lastResult = Ok;
  return result;
}

// ---------------------------------------------------------------------------
// TGPImageAttributes

TF_PUBLISHED(TGPImageAttributes, TGdiplusBase) { return TPublished<TGPImageAttributes>(); }

TGPImageAttributes::TGPImageAttributes() { lastResult = GDIP(GdipCreateImageAttributes)(&nativeImageAttr); }

TGPImageAttributes::TGPImageAttributes(GpImageAttributes* imageAttr, TStatus status)
    : nativeImageAttr(imageAttr), lastResult(status) {}

TGPImageAttributes::~TGPImageAttributes() {
  if (nativeImageAttr) GDIP(GdipDisposeImageAttributes)(nativeImageAttr);
}

TStatus TGPImageAttributes::SetStatus(TStatus status) {
  if (status != Ok) lastResult = status;
  return status;
}

TGPImageAttributes* TGPImageAttributes::Clone() {
  GpImageAttributes* clone = nullptr;
  const TStatus status = SetStatus(GDIP(GdipCloneImageAttributes)(nativeImageAttr, &clone));
  if (status != Ok) {
    if (clone) GDIP(GdipDisposeImageAttributes)(clone);
    return nullptr;
  }
  return new TGPImageAttributes(clone, lastResult);
}

TStatus TGPImageAttributes::SetToIdentity(ColorAdjustType type) {
  return SetStatus(GDIP(GdipSetImageAttributesToIdentity)(nativeImageAttr, type));
}

TStatus TGPImageAttributes::Reset(ColorAdjustType type) {
  return SetStatus(GDIP(GdipResetImageAttributes)(nativeImageAttr, type));
}

TStatus TGPImageAttributes::SetColorMatrix(const ColorMatrix& colorMatrix, ColorMatrixFlags mode,
                                           ColorAdjustType type) {
  return SetStatus(
      GDIP(GdipSetImageAttributesColorMatrix)(nativeImageAttr, type, TRUE, &colorMatrix, nullptr, mode));
}

TStatus TGPImageAttributes::ClearColorMatrix(ColorAdjustType type) {
  return SetStatus(GDIP(GdipSetImageAttributesColorMatrix)(nativeImageAttr, type, FALSE, nullptr, nullptr,
                                                            ColorMatrixFlagsDefault));
}

TStatus TGPImageAttributes::SetColorMatrices(const ColorMatrix& colorMatrix, const ColorMatrix& grayMatrix,
                                             ColorMatrixFlags mode, ColorAdjustType type) {
  return SetStatus(
      GDIP(GdipSetImageAttributesColorMatrix)(nativeImageAttr, type, TRUE, &colorMatrix, &grayMatrix, mode));
}

TStatus TGPImageAttributes::ClearColorMatrices(ColorAdjustType type) {
  return SetStatus(GDIP(GdipSetImageAttributesColorMatrix)(nativeImageAttr, type, FALSE, nullptr, nullptr,
                                                            ColorMatrixFlagsDefault));
}

TStatus TGPImageAttributes::SetThreshold(REAL threshold, ColorAdjustType type) {
  return SetStatus(GDIP(GdipSetImageAttributesThreshold)(nativeImageAttr, type, TRUE, threshold));
}

TStatus TGPImageAttributes::ClearThreshold(ColorAdjustType type) {
  return SetStatus(GDIP(GdipSetImageAttributesThreshold)(nativeImageAttr, type, FALSE, 0.0f));
}

TStatus TGPImageAttributes::SetGamma(REAL gamma, ColorAdjustType type) {
  return SetStatus(GDIP(GdipSetImageAttributesGamma)(nativeImageAttr, type, TRUE, gamma));
}

TStatus TGPImageAttributes::ClearGamma(ColorAdjustType type) {
  return SetStatus(GDIP(GdipSetImageAttributesGamma)(nativeImageAttr, type, FALSE, 0.0f));
}

TStatus TGPImageAttributes::SetNoOp(ColorAdjustType type) {
  return SetStatus(GDIP(GdipSetImageAttributesNoOp)(nativeImageAttr, type, TRUE));
}

TStatus TGPImageAttributes::ClearNoOp(ColorAdjustType type) {
  return SetStatus(GDIP(GdipSetImageAttributesNoOp)(nativeImageAttr, type, FALSE));
}

TStatus TGPImageAttributes::SetColorKey(ARGB colorLow, ARGB colorHigh, ColorAdjustType type) {
  return SetStatus(GDIP(GdipSetImageAttributesColorKeys)(nativeImageAttr, type, TRUE, colorLow, colorHigh));
}

TStatus TGPImageAttributes::ClearColorKey(ColorAdjustType type) {
  return SetStatus(GDIP(GdipSetImageAttributesColorKeys)(nativeImageAttr, type, FALSE, 0, 0));
}

TStatus TGPImageAttributes::SetOutputChannel(ColorChannelFlags channelFlags, ColorAdjustType type) {
  return SetStatus(GDIP(GdipSetImageAttributesOutputChannel)(nativeImageAttr, type, TRUE, channelFlags));
}

TStatus TGPImageAttributes::ClearOutputChannel(ColorAdjustType type) {
  return SetStatus(GDIP(GdipSetImageAttributesOutputChannel)(nativeImageAttr, type, FALSE, ColorChannelFlagsLast));
}

TStatus TGPImageAttributes::SetOutputChannelColorProfile(const QString& colorProfileFilename, ColorAdjustType type) {
  return SetStatus(GDIP(GdipSetImageAttributesOutputChannelColorProfile)(
      nativeImageAttr, type, TRUE, reinterpret_cast<const WCHAR*>(colorProfileFilename.utf16())));
}

TStatus TGPImageAttributes::ClearOutputChannelColorProfile(ColorAdjustType type) {
  return SetStatus(GDIP(GdipSetImageAttributesOutputChannelColorProfile)(nativeImageAttr, type, FALSE, nullptr));
}

TStatus TGPImageAttributes::SetRemapTable(UINT mapSize, const ColorMap* map, ColorAdjustType type) {
  if (mapSize > 0 && map == nullptr) return SetStatus(InvalidParameter);
  return SetStatus(GDIP(GdipSetImageAttributesRemapTable)(nativeImageAttr, type, TRUE, mapSize, map));
}

TStatus TGPImageAttributes::ClearRemapTable(ColorAdjustType type) {
  return SetStatus(GDIP(GdipSetImageAttributesRemapTable)(nativeImageAttr, type, FALSE, 0, nullptr));
}

TStatus TGPImageAttributes::SetBrushRemapTable(UINT mapSize, const ColorMap* map) {
  return SetRemapTable(mapSize, map, ColorAdjustTypeBrush);
}

TStatus TGPImageAttributes::ClearBrushRemapTable() { return ClearRemapTable(ColorAdjustTypeBrush); }

TStatus TGPImageAttributes::SetWrapMode(WrapMode wrap, ARGB color, bool clamp) {
  return SetStatus(GDIP(GdipSetImageAttributesWrapMode)(nativeImageAttr, wrap, color, clamp ? TRUE : FALSE));
}

TStatus TGPImageAttributes::GetAdjustedPalette(ColorPalette* colorPalette, ColorAdjustType colorAdjustType) {
  if (colorPalette == nullptr) return SetStatus(InvalidParameter);
  return SetStatus(GDIP(GdipGetImageAttributesAdjustedPalette)(nativeImageAttr, colorPalette, colorAdjustType));
}

TStatus TGPImageAttributes::GetLastStatus() {
  const TStatus result = lastResult;
  lastResult = Ok;
  return result;
}

// ---------------------------------------------------------------------------
// Fonts

namespace {
// The face name of a native family; empty when it cannot be read.
QString FamilyNameOf(GpFontFamily* family, LANGID language, TStatus* status = nullptr) {
  WCHAR buffer[LF_FACESIZE_GDIP] = {};
  const TStatus s = family ? GDIP(GdipGetFamilyName)(family, buffer, language) : InvalidParameter;
  if (status) *status = s;
  if (s != Ok) return QString();
  buffer[LF_FACESIZE_GDIP - 1] = 0;
  return QString::fromUtf16(reinterpret_cast<const char16_t*>(buffer));
}

int StyleBits(TFontStyles style) {
  int bits = FontStyleRegular;
  if (style.Contains(fsBold)) bits |= FontStyleBold;
  if (style.Contains(fsItalic)) bits |= FontStyleItalic;
  if (style.Contains(fsUnderline)) bits |= FontStyleUnderline;
  if (style.Contains(fsStrikeOut)) bits |= FontStyleStrikeout;
  return bits;
}
}  // namespace

TF_PUBLISHED(TGPFontCollection, TGdiplusBase) { return TPublished<TGPFontCollection>(); }

TGPFontCollection::TGPFontCollection() = default;
TGPFontCollection::~TGPFontCollection() = default;

TF_PUBLISHED(TGPFontFamily, TGdiplusBase) {
  return TPublished<TGPFontFamily>().Integer(
      "Status", [](const TGPFontFamily& f) { return int(f.lastResult); }, nullptr);
}

TGPFontFamily::TGPFontFamily() = default;

void TNative::Adopt(TGPFontFamily* o, GpFontFamily* family) {
  if (o->nativeFamily && !o->FGeneric) GDIP(GdipDeleteFontFamily)(o->nativeFamily);
  o->nativeFamily = family;
  o->FGeneric = false;
}

TGPFontFamily::TGPFontFamily(const QString& name, TGPFontCollection* fontCollection) {
  // The runtime answers FontFamilyNotFound where the font system would have
  // substituted its default family.
  lastResult = GDIP(GdipCreateFontFamilyFromName)(reinterpret_cast<const WCHAR*>(name.utf16()),
                                                   TNative::Get(fontCollection), &nativeFamily);
  if (lastResult != Ok && nativeFamily) {
    GDIP(GdipDeleteFontFamily)(nativeFamily);
    nativeFamily = nullptr;
  }
}

TGPFontFamily::TGPFontFamily(GpFontFamily* nativeOrig, TStatus status) : nativeFamily(nativeOrig), lastResult(status) {}

TGPFontFamily::~TGPFontFamily() {
  if (nativeFamily && !FGeneric) GDIP(GdipDeleteFontFamily)(nativeFamily);
}

TStatus TGPFontFamily::SetStatus(TStatus status) {
  if (status != Ok) lastResult = status;
  return status;
}

namespace {
TGPFontFamily* Generic(PFN_GdipGetGenericFontFamilySansSerif get) {
  GpFontFamily* family = nullptr;
  const TStatus status = get(&family);
  return new TGPFontFamily(family, status);
}
}  // namespace

// The generic families live as long as the process; the library owns and
// frees their handles itself, so the objects are never deleted.
TGPFontFamily* TGPFontFamily::GenericSansSerif() {
  static TGPFontFamily* family = [] {
    TGPFontFamily* f = Generic(GDIP(GdipGetGenericFontFamilySansSerif));
    f->FGeneric = true;
    return f;
  }();
  return family;
}

TGPFontFamily* TGPFontFamily::GenericSerif() {
  static TGPFontFamily* family = [] {
    TGPFontFamily* f = Generic(GDIP(GdipGetGenericFontFamilySerif));
    f->FGeneric = true;
    return f;
  }();
  return family;
}

TGPFontFamily* TGPFontFamily::GenericMonospace() {
  static TGPFontFamily* family = [] {
    TGPFontFamily* f = Generic(GDIP(GdipGetGenericFontFamilyMonospace));
    f->FGeneric = true;
    return f;
  }();
  return family;
}

TStatus TGPFontFamily::GetFamilyName(QString& name, LANGID language) {
  TStatus status = Ok;
  name = FamilyNameOf(nativeFamily, language, &status);
  return SetStatus(status);
}

TStatus TGPFontFamily::GetLastStatus() {
  const TStatus result = lastResult;
  lastResult = Ok;
  return result;
}

TF_PUBLISHED(TGPFont, TGdiplusBase) {
  return TPublished<TGPFont>().Integer("Status", [](const TGPFont& f) { return int(f.lastResult); }, nullptr);
}

TGPFont::TGPFont(TGPFontFamily* family, REAL emSize, int style, Unit_ unit) {
  lastResult = GDIP(GdipCreateFont)(TNative::Get(family), emSize, style, unit, &nativeFont);
}

TGPFont::TGPFont(const QString& familyName, REAL emSize, TFontStyles style, Unit_ unit,
                 TGPFontCollection* fontCollection) {
  const int bits = StyleBits(style);
  TGPFontFamily family(familyName, fontCollection);
  lastResult = family.Status();
  if (lastResult == Ok) lastResult = GDIP(GdipCreateFont)(TNative::Get(&family), emSize, bits, unit, &nativeFont);
  if (lastResult != Ok) {
    if (nativeFont) GDIP(GdipDeleteFont)(nativeFont);
    nativeFont = nullptr;
    lastResult =
        GDIP(GdipCreateFont)(TNative::Get(TGPFontFamily::GenericSansSerif()), emSize, bits, unit, &nativeFont);
  }
}

TGPFont::TGPFont(GpFont* font, TStatus status) : nativeFont(font), lastResult(status) {}

TGPFont::~TGPFont() {
  if (nativeFont) GDIP(GdipDeleteFont)(nativeFont);
}

TStatus TGPFont::SetStatus(TStatus status) {
  if (status != Ok) lastResult = status;
  return status;
}

int TGPFont::GetStyle() {
  INT style = FontStyleRegular;
  if (SetStatus(GDIP(GdipGetFontStyle)(nativeFont, &style)) != Ok) return FontStyleRegular;
  return style;
}

REAL TGPFont::GetSize() {
  REAL size = 0;
  if (SetStatus(GDIP(GdipGetFontSize)(nativeFont, &size)) != Ok) return 0;
  return size;
}

TStatus TGPFont::GetFamily(TGPFontFamily* family) {
  if (family == nullptr) return SetStatus(InvalidParameter);
  GpFontFamily* result = nullptr;
  const TStatus status = GDIP(GdipGetFamily)(nativeFont, &result);
  if (status == Ok) TNative::Adopt(family, result);
  TNative::Record(family, status);
  return SetStatus(status);
}

TStatus TGPFont::GetLastStatus() {
  const TStatus result = lastResult;
  lastResult = Ok;
  return result;
}

}  // namespace KitGDIP
