// Unit start and end of the run-time GDI+ binding, the shared generic
// objects, and the matrix, region, string-format, image-attribute and
// custom-line-cap wrappers. Pens and brushes are in
// KitGDIPlusClassesBrushes.cpp, images, fonts and paths in
// KitGDIPlusClassesImages.cpp, the graphics object in
// KitGDIPlusClassesGraphics.cpp.

#include "foundation/KitGDIPlusClasses.h"

#include <mutex>
#include <vector>

#include "foundation/KitGDIPlusClassesCall.h"

namespace KitGDIPlusClasses {

using detail::Flat;
using detail::Native;
using detail::TextOf;
using detail::ToBOOL;

// The published frame-dimension identifiers.
const GUID FrameDimensionTime = {0x6AEDBD6D, 0x3FB5, 0x418A,
                                 {0x83, 0xA6, 0x7F, 0x45, 0x22, 0x9D, 0xC8, 0x72}};
const GUID FrameDimensionResolution = {0x84236F7B, 0x3BD3, 0x428F,
                                       {0x8D, 0xAB, 0x4E, 0xA1, 0x43, 0x9C, 0xA3, 0x15}};
const GUID FrameDimensionPage = {0x7462DC86, 0x6180, 0x4C7E,
                                 {0x8E, 0x3F, 0xEE, 0x73, 0x33, 0xA7, 0xA4, 0x83}};

// ---------------------------------------------------------------------------
// Shared generic objects

namespace {

struct GenericSlots {
  std::mutex lock;
  std::unique_ptr<TGPFontFamily> sansSerif, serif, monospace;
  std::unique_ptr<TGPStringFormat> typographic, defaultFormat;
};

GenericSlots& Slots() {
  static GenericSlots* generic = new GenericSlots;  // usable during exit
  return *generic;
}

using GenericFamilyEntry = Status (*)(GpFontFamily**);

TGPFontFamily* GenericFamily(std::unique_ptr<TGPFontFamily>& slot, GenericFamilyEntry entry) {
  std::lock_guard guard(Slots().lock);
  if (!slot) {
    GpFontFamily* family = nullptr;
    const Status status = Flat(entry, &family);
    slot = std::make_unique<TGPFontFamily>(family, status);
  }
  return slot.get();
}

using GenericFormatEntry = Status (*)(GpStringFormat**);

TGPStringFormat* GenericFormat(std::unique_ptr<TGPStringFormat>& slot,
                               GenericFormatEntry entry) {
  std::lock_guard guard(Slots().lock);
  if (!slot) {
    GpStringFormat* format = nullptr;
    const Status status = Flat(entry, &format);
    slot = std::make_unique<TGPStringFormat>(format, status);
  }
  return slot.get();
}

}  // namespace

TGPFontFamily* TGPFontFamily::GenericSansSerif() {
  return GenericFamily(Slots().sansSerif, GdipGetGenericFontFamilySansSerif);
}

TGPFontFamily* TGPFontFamily::GenericSerif() {
  return GenericFamily(Slots().serif, GdipGetGenericFontFamilySerif);
}

TGPFontFamily* TGPFontFamily::GenericMonospace() {
  return GenericFamily(Slots().monospace, GdipGetGenericFontFamilyMonospace);
}

TGPStringFormat* TGPStringFormat::GenericDefault() {
  return GenericFormat(Slots().defaultFormat, GdipStringFormatGetGenericDefault);
}

TGPStringFormat* TGPStringFormat::GenericTypographic() {
  return GenericFormat(Slots().typographic, GdipStringFormatGetGenericTypographic);
}

// ---------------------------------------------------------------------------
// Unit start and end

void InitializeKitGDIPlusClasses() {
  LoadGdiPlusLibrary();
  StartupGdiPlus();  // does nothing inside a shared library or when already started
}

void FinalizeKitGDIPlusClasses() {
  {
    GenericSlots& s = Slots();
    std::lock_guard guard(s.lock);
    s.sansSerif.reset();
    s.serif.reset();
    s.monospace.reset();
    s.typographic.reset();
    s.defaultFormat.reset();
  }
  ShutdownGdiPlus();
  UnloadGdiPlusLibrary();
}

// ---------------------------------------------------------------------------
// TGPMatrix

Status TGPMatrix::SetStatus(Status status) {
  if (status != Ok) lastResult = status;
  return status;
}

TGPMatrix::TGPMatrix() { lastResult = Flat(GdipCreateMatrix, &nativeMatrix); }

TGPMatrix::TGPMatrix(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy) {
  lastResult = Flat(GdipCreateMatrix2, m11, m12, m21, m22, dx, dy, &nativeMatrix);
}

TGPMatrix::TGPMatrix(const TGPRectF& rect, const TGPPointF (&dstplg)[3]) {
  lastResult = Flat(GdipCreateMatrix3, &rect, &dstplg[0], &nativeMatrix);
}

TGPMatrix::TGPMatrix(const TGPRect& rect, const TGPPoint (&dstplg)[3]) {
  lastResult = Flat(GdipCreateMatrix3I, &rect, &dstplg[0], &nativeMatrix);
}

TGPMatrix::TGPMatrix(GpMatrix* nativeMatrix) : nativeMatrix(nativeMatrix) {}

TGPMatrix::~TGPMatrix() { Flat(GdipDeleteMatrix, nativeMatrix); }

std::unique_ptr<TGPMatrix> TGPMatrix::Clone() {
  GpMatrix* clone = nullptr;
  SetStatus(Flat(GdipCloneMatrix, nativeMatrix, &clone));
  if (lastResult != Ok) {
    Flat(GdipDeleteMatrix, clone);  // a clone made under an unread failure is not handed out
    return nullptr;
  }
  return std::make_unique<TGPMatrix>(clone);
}

Status TGPMatrix::GetElements(TMatrixArray& m) {
  return SetStatus(Flat(GdipGetMatrixElements, nativeMatrix, m.data()));
}

Status TGPMatrix::SetElements(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy) {
  return SetStatus(Flat(GdipSetMatrixElements, nativeMatrix, m11, m12, m21, m22, dx, dy));
}

REAL TGPMatrix::OffsetX() {
  TMatrixArray m{};
  return GetElements(m) == Ok ? m[4] : 0.0f;
}

REAL TGPMatrix::OffsetY() {
  TMatrixArray m{};
  return GetElements(m) == Ok ? m[5] : 0.0f;
}

Status TGPMatrix::Reset() {
  return SetStatus(Flat(GdipSetMatrixElements, nativeMatrix, 1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f));
}

Status TGPMatrix::Multiply(const TGPMatrix* matrix, MatrixOrder order) {
  if (!matrix) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipMultiplyMatrix, nativeMatrix, Native::Of(matrix), order));
}

Status TGPMatrix::Translate(REAL offsetX, REAL offsetY, MatrixOrder order) {
  return SetStatus(Flat(GdipTranslateMatrix, nativeMatrix, offsetX, offsetY, order));
}

Status TGPMatrix::Scale(REAL scaleX, REAL scaleY, MatrixOrder order) {
  return SetStatus(Flat(GdipScaleMatrix, nativeMatrix, scaleX, scaleY, order));
}

Status TGPMatrix::Rotate(REAL angle, MatrixOrder order) {
  return SetStatus(Flat(GdipRotateMatrix, nativeMatrix, angle, order));
}

Status TGPMatrix::RotateAt(REAL angle, const TGPPointF& center, MatrixOrder order) {
  if (order == MatrixOrderPrepend) {
    SetStatus(Flat(GdipTranslateMatrix, nativeMatrix, center.X, center.Y, order));
    SetStatus(Flat(GdipRotateMatrix, nativeMatrix, angle, order));
    return SetStatus(Flat(GdipTranslateMatrix, nativeMatrix, -center.X, -center.Y, order));
  }
  SetStatus(Flat(GdipTranslateMatrix, nativeMatrix, -center.X, -center.Y, order));
  SetStatus(Flat(GdipRotateMatrix, nativeMatrix, angle, order));
  return SetStatus(Flat(GdipTranslateMatrix, nativeMatrix, center.X, center.Y, order));
}

Status TGPMatrix::Shear(REAL shearX, REAL shearY, MatrixOrder order) {
  return SetStatus(Flat(GdipShearMatrix, nativeMatrix, shearX, shearY, order));
}

Status TGPMatrix::Invert() { return SetStatus(Flat(GdipInvertMatrix, nativeMatrix)); }

Status TGPMatrix::TransformPoints(TGPPointF* pts, INT count) {
  return SetStatus(Flat(GdipTransformMatrixPoints, nativeMatrix, pts, count));
}

Status TGPMatrix::TransformPoints(TGPPoint* pts, INT count) {
  return SetStatus(Flat(GdipTransformMatrixPointsI, nativeMatrix, pts, count));
}

Status TGPMatrix::TransformVectors(TGPPointF* pts, INT count) {
  return SetStatus(Flat(GdipVectorTransformMatrixPoints, nativeMatrix, pts, count));
}

Status TGPMatrix::TransformVectors(TGPPoint* pts, INT count) {
  return SetStatus(Flat(GdipVectorTransformMatrixPointsI, nativeMatrix, pts, count));
}

bool TGPMatrix::IsInvertible() {
  BOOL result = FALSE;
  SetStatus(Flat(GdipIsMatrixInvertible, nativeMatrix, &result));
  return result != FALSE;
}

bool TGPMatrix::IsIdentity() {
  BOOL result = FALSE;
  SetStatus(Flat(GdipIsMatrixIdentity, nativeMatrix, &result));
  return result != FALSE;
}

bool TGPMatrix::IsEqual(const TGPMatrix* matrix) {
  if (!matrix) {
    SetStatus(InvalidParameter);
    return false;
  }
  BOOL result = FALSE;
  SetStatus(Flat(GdipIsMatrixEqual, nativeMatrix, Native::Of(matrix), &result));
  return result != FALSE;
}

Status TGPMatrix::GetLastStatus() {
  const Status status = lastResult;
  lastResult = Ok;
  return status;
}

// ---------------------------------------------------------------------------
// TGPRegion

Status TGPRegion::SetStatus(Status status) {
  if (status != Ok) lastResult = status;
  return status;
}

TGPRegion::TGPRegion() { lastResult = Flat(GdipCreateRegion, &nativeRegion); }

TGPRegion::TGPRegion(const TGPRectF& rect) {
  lastResult = Flat(GdipCreateRegionRect, &rect, &nativeRegion);
}

TGPRegion::TGPRegion(const TGPRect& rect) {
  lastResult = Flat(GdipCreateRegionRectI, &rect, &nativeRegion);
}

TGPRegion::TGPRegion(const TGPGraphicsPath* path) {
  lastResult = path ? Flat(GdipCreateRegionPath, Native::Of(path), &nativeRegion)
                    : InvalidParameter;
}

TGPRegion::TGPRegion(const BYTE* regionData, INT size) {
  lastResult = Flat(GdipCreateRegionRgnData, regionData, size, &nativeRegion);
}

TGPRegion::TGPRegion(HRGN hRgn) { lastResult = Flat(GdipCreateRegionHrgn, hRgn, &nativeRegion); }

TGPRegion::TGPRegion(GpRegion* nativeRegion) : nativeRegion(nativeRegion) {}

TGPRegion::~TGPRegion() { Flat(GdipDeleteRegion, nativeRegion); }

std::unique_ptr<TGPRegion> TGPRegion::FromHRGN(HRGN hRgn) {
  GpRegion* region = nullptr;
  if (Flat(GdipCreateRegionHrgn, hRgn, &region) != Ok) return nullptr;
  return std::make_unique<TGPRegion>(region);
}

std::unique_ptr<TGPRegion> TGPRegion::Clone() {
  GpRegion* clone = nullptr;
  SetStatus(Flat(GdipCloneRegion, nativeRegion, &clone));
  return std::make_unique<TGPRegion>(clone);
}

Status TGPRegion::MakeInfinite() { return SetStatus(Flat(GdipSetInfinite, nativeRegion)); }

Status TGPRegion::MakeEmpty() { return SetStatus(Flat(GdipSetEmpty, nativeRegion)); }

UINT TGPRegion::GetDataSize() {
  UINT size = 0;
  SetStatus(Flat(GdipGetRegionDataSize, nativeRegion, &size));
  return size;
}

Status TGPRegion::GetData(BYTE* buffer, UINT bufferSize, UINT* sizeFilled) {
  return SetStatus(Flat(GdipGetRegionData, nativeRegion, buffer, bufferSize, sizeFilled));
}

Status TGPRegion::Combine(const TGPRect& rect, CombineMode mode) {
  return SetStatus(Flat(GdipCombineRegionRectI, nativeRegion, &rect, mode));
}

Status TGPRegion::Combine(const TGPRectF& rect, CombineMode mode) {
  return SetStatus(Flat(GdipCombineRegionRect, nativeRegion, &rect, mode));
}

Status TGPRegion::Combine(const TGPGraphicsPath* path, CombineMode mode) {
  if (!path) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipCombineRegionPath, nativeRegion, Native::Of(path), mode));
}

Status TGPRegion::Combine(const TGPRegion* region, CombineMode mode) {
  if (!region) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipCombineRegionRegion, nativeRegion, Native::Of(region), mode));
}

Status TGPRegion::Intersect(const TGPRect& rect) { return Combine(rect, CombineModeIntersect); }
Status TGPRegion::Intersect(const TGPRectF& rect) { return Combine(rect, CombineModeIntersect); }
Status TGPRegion::Intersect(const TGPGraphicsPath* path) {
  return Combine(path, CombineModeIntersect);
}
Status TGPRegion::Intersect(const TGPRegion* region) {
  return Combine(region, CombineModeIntersect);
}
Status TGPRegion::Union(const TGPRect& rect) { return Combine(rect, CombineModeUnion); }
Status TGPRegion::Union(const TGPRectF& rect) { return Combine(rect, CombineModeUnion); }
Status TGPRegion::Union(const TGPGraphicsPath* path) { return Combine(path, CombineModeUnion); }
Status TGPRegion::Union(const TGPRegion* region) { return Combine(region, CombineModeUnion); }
Status TGPRegion::Xor_(const TGPRect& rect) { return Combine(rect, CombineModeXor); }
Status TGPRegion::Xor_(const TGPRectF& rect) { return Combine(rect, CombineModeXor); }
Status TGPRegion::Xor_(const TGPGraphicsPath* path) { return Combine(path, CombineModeXor); }
Status TGPRegion::Xor_(const TGPRegion* region) { return Combine(region, CombineModeXor); }
Status TGPRegion::Exclude(const TGPRect& rect) { return Combine(rect, CombineModeExclude); }
Status TGPRegion::Exclude(const TGPRectF& rect) { return Combine(rect, CombineModeExclude); }
Status TGPRegion::Exclude(const TGPGraphicsPath* path) {
  return Combine(path, CombineModeExclude);
}
Status TGPRegion::Exclude(const TGPRegion* region) { return Combine(region, CombineModeExclude); }
Status TGPRegion::Complement(const TGPRect& rect) { return Combine(rect, CombineModeComplement); }
Status TGPRegion::Complement(const TGPRectF& rect) {
  return Combine(rect, CombineModeComplement);
}
Status TGPRegion::Complement(const TGPGraphicsPath* path) {
  return Combine(path, CombineModeComplement);
}
Status TGPRegion::Complement(const TGPRegion* region) {
  return Combine(region, CombineModeComplement);
}

Status TGPRegion::Translate(REAL dx, REAL dy) {
  return SetStatus(Flat(GdipTranslateRegion, nativeRegion, dx, dy));
}

Status TGPRegion::Translate(INT dx, INT dy) {
  return SetStatus(Flat(GdipTranslateRegionI, nativeRegion, dx, dy));
}

Status TGPRegion::Transform(const TGPMatrix* matrix) {
  if (!matrix) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipTransformRegion, nativeRegion, Native::Of(matrix)));
}

Status TGPRegion::GetBounds(TGPRect& rect, const TGPGraphics* g) {
  rect = TGPRect{};
  if (!g) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipGetRegionBoundsI, nativeRegion, Native::Of(g), &rect));
}

Status TGPRegion::GetBounds(TGPRectF& rect, const TGPGraphics* g) {
  rect = TGPRectF{};
  if (!g) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipGetRegionBounds, nativeRegion, Native::Of(g), &rect));
}

HRGN TGPRegion::GetHRGN(const TGPGraphics* g) {
  if (!g) {
    SetStatus(InvalidParameter);
    return nullptr;
  }
  HRGN result = nullptr;
  SetStatus(Flat(GdipGetRegionHRgn, nativeRegion, Native::Of(g), &result));
  return result;
}

bool TGPRegion::IsEmpty(const TGPGraphics* g) {
  if (!g) {
    SetStatus(InvalidParameter);
    return false;
  }
  BOOL result = FALSE;
  SetStatus(Flat(GdipIsEmptyRegion, nativeRegion, Native::Of(g), &result));
  return result != FALSE;
}

bool TGPRegion::IsInfinite(const TGPGraphics* g) {
  if (!g) {
    SetStatus(InvalidParameter);
    return false;
  }
  BOOL result = FALSE;
  SetStatus(Flat(GdipIsInfiniteRegion, nativeRegion, Native::Of(g), &result));
  return result != FALSE;
}

bool TGPRegion::IsEqual(const TGPRegion* region, const TGPGraphics* g) {
  if (!region || !g) {
    SetStatus(InvalidParameter);
    return false;
  }
  BOOL result = FALSE;
  SetStatus(Flat(GdipIsEqualRegion, nativeRegion, Native::Of(region), Native::Of(g),
                 &result));
  return result != FALSE;
}

bool TGPRegion::IsVisible(INT x, INT y, const TGPGraphics* g) {
  BOOL result = FALSE;
  SetStatus(Flat(GdipIsVisibleRegionPointI, nativeRegion, x, y,
                 Native::Of(g), &result));
  return result != FALSE;
}

bool TGPRegion::IsVisible(const TGPPoint& point, const TGPGraphics* g) {
  return IsVisible(point.X, point.Y, g);
}

bool TGPRegion::IsVisible(REAL x, REAL y, const TGPGraphics* g) {
  BOOL result = FALSE;
  SetStatus(Flat(GdipIsVisibleRegionPoint, nativeRegion, x, y, Native::Of(g),
                 &result));
  return result != FALSE;
}

bool TGPRegion::IsVisible(const TGPPointF& point, const TGPGraphics* g) {
  return IsVisible(point.X, point.Y, g);
}

bool TGPRegion::IsVisible(INT x, INT y, INT width, INT height, const TGPGraphics* g) {
  BOOL result = FALSE;
  SetStatus(Flat(GdipIsVisibleRegionRectI, nativeRegion, x, y, width, height,
                 Native::Of(g), &result));
  return result != FALSE;
}

bool TGPRegion::IsVisible(const TGPRect& rect, const TGPGraphics* g) {
  return IsVisible(rect.X, rect.Y, rect.Width, rect.Height, g);
}

bool TGPRegion::IsVisible(REAL x, REAL y, REAL width, REAL height, const TGPGraphics* g) {
  BOOL result = FALSE;
  SetStatus(Flat(GdipIsVisibleRegionRect, nativeRegion, x, y, width, height,
                 Native::Of(g), &result));
  return result != FALSE;
}

bool TGPRegion::IsVisible(const TGPRectF& rect, const TGPGraphics* g) {
  return IsVisible(rect.X, rect.Y, rect.Width, rect.Height, g);
}

UINT TGPRegion::GetRegionScansCount(const TGPMatrix* matrix) {
  if (!matrix) {
    SetStatus(InvalidParameter);
    return 0;
  }
  UINT count = 0;
  SetStatus(Flat(GdipGetRegionScansCount, nativeRegion, &count, Native::Of(matrix)));
  return count;
}

namespace {

// The library writes every scan whatever the buffer holds: the count is
// asked first and a smaller buffer is refused.
template <class Rect, class Entry>
Status Scans(GpRegion* region, GpMatrix* matrix, Rect* rects, INT& count, Entry entry) {
  if (rects) {
    UINT needed = 0;
    const Status status = Flat(GdipGetRegionScansCount, region, &needed, matrix);
    if (status != Ok) return status;
    if (count < 0 || UINT(count) < needed) {
      count = INT(needed);
      return InsufficientBuffer;
    }
  }
  INT found = 0;
  const Status status = Flat(entry, region, rects, &found, matrix);
  if (status == Ok) count = found;
  return status;
}

}  // namespace

Status TGPRegion::GetRegionScans(const TGPMatrix* matrix, TGPRectF* rects, INT& count) {
  if (!matrix) return SetStatus(InvalidParameter);
  return SetStatus(Scans(nativeRegion, Native::Of(matrix), rects, count, GdipGetRegionScans));
}

Status TGPRegion::GetRegionScans(const TGPMatrix* matrix, TGPRect* rects, INT& count) {
  if (!matrix) return SetStatus(InvalidParameter);
  return SetStatus(Scans(nativeRegion, Native::Of(matrix), rects, count, GdipGetRegionScansI));
}

Status TGPRegion::GetLastStatus() {
  const Status status = lastResult;
  lastResult = Ok;
  return status;
}

// ---------------------------------------------------------------------------
// TGPStringFormat

Status TGPStringFormat::SetStatus(Status status) {
  if (status != Ok) lastError = status;
  return status;
}

TGPStringFormat::TGPStringFormat(INT formatFlags, LANGID language) {
  lastError = Flat(GdipCreateStringFormat, formatFlags, language, &nativeFormat);
}

TGPStringFormat::TGPStringFormat(const TGPStringFormat* format) {
  lastError = Flat(GdipCloneStringFormat, Native::Of(format), &nativeFormat);
}

TGPStringFormat::TGPStringFormat(GpStringFormat* clonedStringFormat, Status status)
    : nativeFormat(clonedStringFormat), lastError(status) {}

TGPStringFormat::~TGPStringFormat() { Flat(GdipDeleteStringFormat, nativeFormat); }

std::unique_ptr<TGPStringFormat> TGPStringFormat::Clone() {
  GpStringFormat* clone = nullptr;
  lastError = Flat(GdipCloneStringFormat, nativeFormat, &clone);
  if (lastError != Ok) {
    Flat(GdipDeleteStringFormat, clone);
    return nullptr;
  }
  return std::make_unique<TGPStringFormat>(clone, Ok);
}

Status TGPStringFormat::SetFormatFlags(INT flags) {
  return SetStatus(Flat(GdipSetStringFormatFlags, nativeFormat, flags));
}

INT TGPStringFormat::GetFormatFlags() {
  INT flags = 0;
  SetStatus(Flat(GdipGetStringFormatFlags, nativeFormat, &flags));
  return flags;
}

Status TGPStringFormat::SetAlignment(StringAlignment align) {
  return SetStatus(Flat(GdipSetStringFormatAlign, nativeFormat, align));
}

StringAlignment TGPStringFormat::GetAlignment() {
  StringAlignment align = StringAlignmentNear;
  SetStatus(Flat(GdipGetStringFormatAlign, nativeFormat, &align));
  return align;
}

Status TGPStringFormat::SetLineAlignment(StringAlignment align) {
  return SetStatus(Flat(GdipSetStringFormatLineAlign, nativeFormat, align));
}

StringAlignment TGPStringFormat::GetLineAlignment() {
  StringAlignment align = StringAlignmentNear;
  SetStatus(Flat(GdipGetStringFormatLineAlign, nativeFormat, &align));
  return align;
}

Status TGPStringFormat::SetHotkeyPrefix(HotkeyPrefix hotkeyPrefix) {
  return SetStatus(Flat(GdipSetStringFormatHotkeyPrefix, nativeFormat, INT(hotkeyPrefix)));
}

HotkeyPrefix TGPStringFormat::GetHotkeyPrefix() {
  INT prefix = HotkeyPrefixNone;
  SetStatus(Flat(GdipGetStringFormatHotkeyPrefix, nativeFormat, &prefix));
  return HotkeyPrefix(prefix);
}

Status TGPStringFormat::SetTrimming(StringTrimming trimming) {
  return SetStatus(Flat(GdipSetStringFormatTrimming, nativeFormat, trimming));
}

StringTrimming TGPStringFormat::GetTrimming() {
  StringTrimming trimming = StringTrimmingNone;
  SetStatus(Flat(GdipGetStringFormatTrimming, nativeFormat, &trimming));
  return trimming;
}

Status TGPStringFormat::SetTabStops(REAL firstTabOffset, INT count, const REAL* tabStops) {
  return SetStatus(Flat(GdipSetStringFormatTabStops, nativeFormat, firstTabOffset, count,
                        tabStops));
}

INT TGPStringFormat::GetTabStopCount() {
  INT count = 0;
  SetStatus(Flat(GdipGetStringFormatTabStopCount, nativeFormat, &count));
  return count;
}

Status TGPStringFormat::GetTabStops(INT count, REAL* firstTabOffset, REAL* tabStops) {
  if (count <= 0 || !firstTabOffset || !tabStops) return SetStatus(InvalidParameter);
  INT stops = 0;
  const Status status = Flat(GdipGetStringFormatTabStopCount, nativeFormat, &stops);
  if (status != Ok) return SetStatus(status);
  if (count < stops) return SetStatus(InsufficientBuffer);
  return SetStatus(Flat(GdipGetStringFormatTabStops, nativeFormat, count, firstTabOffset,
                        tabStops));
}

Status TGPStringFormat::SetDigitSubstitution(LANGID language, StringDigitSubstitute substitute) {
  return SetStatus(Flat(GdipSetStringFormatDigitSubstitution, nativeFormat, language, substitute));
}

LANGID TGPStringFormat::GetDigitSubstitutionLanguage() {
  LANGID language = 0;
  SetStatus(Flat(GdipGetStringFormatDigitSubstitution, nativeFormat, &language,
                 static_cast<StringDigitSubstitute*>(nullptr)));
  return language;
}

StringDigitSubstitute TGPStringFormat::GetDigitSubstitutionMethod() {
  StringDigitSubstitute substitute = StringDigitSubstituteUser;
  SetStatus(Flat(GdipGetStringFormatDigitSubstitution, nativeFormat,
                 static_cast<LANGID*>(nullptr), &substitute));
  return substitute;
}

Status TGPStringFormat::SetMeasurableCharacterRanges(INT rangeCount,
                                                     const TCharacterRange* ranges) {
  return SetStatus(Flat(GdipSetStringFormatMeasurableCharacterRanges, nativeFormat, rangeCount,
                        ranges));
}

INT TGPStringFormat::GetMeasurableCharacterRangeCount() {
  INT count = 0;
  SetStatus(Flat(GdipGetStringFormatMeasurableCharacterRangeCount, nativeFormat, &count));
  return count;
}

Status TGPStringFormat::GetLastStatus() {
  const Status status = lastError;
  lastError = Ok;
  return status;
}

// ---------------------------------------------------------------------------
// TGPImageAttributes

Status TGPImageAttributes::SetStatus(Status status) {
  if (status != Ok) lastResult = status;
  return status;
}

TGPImageAttributes::TGPImageAttributes() {
  lastResult = Flat(GdipCreateImageAttributes, &nativeImageAttr);
}

TGPImageAttributes::TGPImageAttributes(GpImageAttributes* imageAttr, Status status)
    : nativeImageAttr(imageAttr), lastResult(status) {}

TGPImageAttributes::~TGPImageAttributes() {
  Flat(GdipDisposeImageAttributes, nativeImageAttr);
}

std::unique_ptr<TGPImageAttributes> TGPImageAttributes::Clone() {
  GpImageAttributes* clone = nullptr;
  SetStatus(Flat(GdipCloneImageAttributes, nativeImageAttr, &clone));
  return std::make_unique<TGPImageAttributes>(clone, lastResult);
}

Status TGPImageAttributes::SetToIdentity(ColorAdjustType type_) {
  return SetStatus(Flat(GdipSetImageAttributesToIdentity, nativeImageAttr, type_));
}

Status TGPImageAttributes::Reset(ColorAdjustType type_) {
  return SetStatus(Flat(GdipResetImageAttributes, nativeImageAttr, type_));
}

Status TGPImageAttributes::SetColorMatrix(const ColorMatrix& colorMatrix, ColorMatrixFlags mode,
                                          ColorAdjustType type_) {
  return SetStatus(Flat(GdipSetImageAttributesColorMatrix, nativeImageAttr, type_, detail::kTrue,
                        &colorMatrix, static_cast<const ColorMatrix*>(nullptr), mode));
}

Status TGPImageAttributes::ClearColorMatrix(ColorAdjustType type_) {
  return SetStatus(Flat(GdipSetImageAttributesColorMatrix, nativeImageAttr, type_, FALSE,
                        static_cast<const ColorMatrix*>(nullptr),
                        static_cast<const ColorMatrix*>(nullptr), ColorMatrixFlagsDefault));
}

Status TGPImageAttributes::SetColorMatrices(const ColorMatrix& colorMatrix,
                                            const ColorMatrix& grayMatrix, ColorMatrixFlags mode,
                                            ColorAdjustType type_) {
  return SetStatus(Flat(GdipSetImageAttributesColorMatrix, nativeImageAttr, type_, detail::kTrue,
                        &colorMatrix, &grayMatrix, mode));
}

Status TGPImageAttributes::ClearColorMatrices(ColorAdjustType type_) {
  return ClearColorMatrix(type_);
}

Status TGPImageAttributes::SetThreshold(REAL threshold, ColorAdjustType type_) {
  return SetStatus(Flat(GdipSetImageAttributesThreshold, nativeImageAttr, type_, detail::kTrue,
                        threshold));
}

Status TGPImageAttributes::ClearThreshold(ColorAdjustType type_) {
  return SetStatus(Flat(GdipSetImageAttributesThreshold, nativeImageAttr, type_, FALSE, 0.0f));
}

Status TGPImageAttributes::SetGamma(REAL gamma, ColorAdjustType type_) {
  return SetStatus(Flat(GdipSetImageAttributesGamma, nativeImageAttr, type_, detail::kTrue,
                        gamma));
}

Status TGPImageAttributes::ClearGamma(ColorAdjustType type_) {
  return SetStatus(Flat(GdipSetImageAttributesGamma, nativeImageAttr, type_, FALSE, 0.0f));
}

Status TGPImageAttributes::SetNoOp(ColorAdjustType type_) {
  return SetStatus(Flat(GdipSetImageAttributesNoOp, nativeImageAttr, type_, detail::kTrue));
}

Status TGPImageAttributes::ClearNoOp(ColorAdjustType type_) {
  return SetStatus(Flat(GdipSetImageAttributesNoOp, nativeImageAttr, type_, FALSE));
}

Status TGPImageAttributes::SetColorKey(ARGB colorLow, ARGB colorHigh, ColorAdjustType type_) {
  return SetStatus(Flat(GdipSetImageAttributesColorKeys, nativeImageAttr, type_, detail::kTrue,
                        colorLow, colorHigh));
}

Status TGPImageAttributes::ClearColorKey(ColorAdjustType type_) {
  return SetStatus(Flat(GdipSetImageAttributesColorKeys, nativeImageAttr, type_, FALSE, ARGB(0),
                        ARGB(0)));
}

Status TGPImageAttributes::SetOutputChannel(ColorChannelFlags channelFlags,
                                            ColorAdjustType type_) {
  return SetStatus(Flat(GdipSetImageAttributesOutputChannel, nativeImageAttr, type_,
                        detail::kTrue, channelFlags));
}

Status TGPImageAttributes::ClearOutputChannel(ColorAdjustType type_) {
  return SetStatus(Flat(GdipSetImageAttributesOutputChannel, nativeImageAttr, type_, FALSE,
                        ColorChannelFlagsLast));
}

Status TGPImageAttributes::SetOutputChannelColorProfile(const QString& colorProfileFilename,
                                                        ColorAdjustType type_) {
  return SetStatus(Flat(GdipSetImageAttributesOutputChannelColorProfile, nativeImageAttr, type_,
                        detail::kTrue, TextOf(colorProfileFilename)));
}

Status TGPImageAttributes::ClearOutputChannelColorProfile(ColorAdjustType type_) {
  return SetStatus(Flat(GdipSetImageAttributesOutputChannelColorProfile, nativeImageAttr, type_,
                        FALSE, static_cast<const WCHAR*>(nullptr)));
}

Status TGPImageAttributes::SetRemapTable(UINT mapSize, const ColorMap* map,
                                         ColorAdjustType type_) {
  return SetStatus(Flat(GdipSetImageAttributesRemapTable, nativeImageAttr, type_, detail::kTrue,
                        mapSize, map));
}

Status TGPImageAttributes::ClearRemapTable(ColorAdjustType type_) {
  return SetStatus(Flat(GdipSetImageAttributesRemapTable, nativeImageAttr, type_, FALSE, UINT(0),
                        static_cast<const ColorMap*>(nullptr)));
}

Status TGPImageAttributes::SetBrushRemapTable(UINT mapSize, const ColorMap* map) {
  return SetRemapTable(mapSize, map, ColorAdjustTypeBrush);
}

Status TGPImageAttributes::ClearBrushRemapTable() { return ClearRemapTable(ColorAdjustTypeBrush); }

Status TGPImageAttributes::SetWrapMode(WrapMode wrap, ARGB color, bool clamp) {
  return SetStatus(Flat(GdipSetImageAttributesWrapMode, nativeImageAttr, wrap, color,
                        ToBOOL(clamp)));
}

Status TGPImageAttributes::GetAdjustedPalette(ColorPalette* colorPalette,
                                              ColorAdjustType colorAdjustType) {
  return SetStatus(Flat(GdipGetImageAttributesAdjustedPalette, nativeImageAttr, colorPalette,
                        colorAdjustType));
}

Status TGPImageAttributes::GetLastStatus() {
  const Status status = lastResult;
  lastResult = Ok;
  return status;
}

// ---------------------------------------------------------------------------
// TGPCustomLineCap

Status TGPCustomLineCap::SetStatus(Status status) {
  if (status != Ok) lastResult = status;
  return status;
}

TGPCustomLineCap::TGPCustomLineCap(const TGPGraphicsPath* fillPath,
                                   const TGPGraphicsPath* strokePath, TLineCap baseCap,
                                   REAL baseInset) {
  lastResult = Flat(GdipCreateCustomLineCap, Native::Of(fillPath),
                    Native::Of(strokePath), baseCap, baseInset,
                    &nativeCap);
}

TGPCustomLineCap::TGPCustomLineCap() = default;

TGPCustomLineCap::TGPCustomLineCap(GpCustomLineCap* nativeCap, Status status)
    : nativeCap(nativeCap), lastResult(status) {}

TGPCustomLineCap::~TGPCustomLineCap() { Flat(GdipDeleteCustomLineCap, nativeCap); }

void TGPCustomLineCap::Replace(GpCustomLineCap* cap) {
  if (cap == nativeCap) return;
  Flat(GdipDeleteCustomLineCap, nativeCap);
  nativeCap = cap;
}

std::unique_ptr<TGPCustomLineCap> TGPCustomLineCap::Clone() {
  GpCustomLineCap* clone = nullptr;
  SetStatus(Flat(GdipCloneCustomLineCap, nativeCap, &clone));
  if (lastResult != Ok) {
    Flat(GdipDeleteCustomLineCap, clone);
    return nullptr;
  }
  return std::make_unique<TGPCustomLineCap>(clone, Ok);
}

Status TGPCustomLineCap::SetStrokeCap(TLineCap strokeCap) {
  return SetStrokeCaps(strokeCap, strokeCap);
}

Status TGPCustomLineCap::SetStrokeCaps(TLineCap startCap, TLineCap endCap) {
  return SetStatus(Flat(GdipSetCustomLineCapStrokeCaps, nativeCap, startCap, endCap));
}

Status TGPCustomLineCap::GetStrokeCaps(TLineCap& startCap, TLineCap& endCap) {
  startCap = 0;
  endCap = 0;
  return SetStatus(Flat(GdipGetCustomLineCapStrokeCaps, nativeCap, &startCap, &endCap));
}

Status TGPCustomLineCap::SetStrokeJoin(LineJoin lineJoin) {
  return SetStatus(Flat(GdipSetCustomLineCapStrokeJoin, nativeCap, lineJoin));
}

LineJoin TGPCustomLineCap::GetStrokeJoin() {
  LineJoin join = LineJoinMiter;
  SetStatus(Flat(GdipGetCustomLineCapStrokeJoin, nativeCap, &join));
  return join;
}

Status TGPCustomLineCap::SetBaseCap(TLineCap baseCap) {
  return SetStatus(Flat(GdipSetCustomLineCapBaseCap, nativeCap, baseCap));
}

TLineCap TGPCustomLineCap::GetBaseCap() {
  TLineCap cap = LineCapFlat;
  SetStatus(Flat(GdipGetCustomLineCapBaseCap, nativeCap, &cap));
  return cap;
}

Status TGPCustomLineCap::SetBaseInset(REAL inset) {
  return SetStatus(Flat(GdipSetCustomLineCapBaseInset, nativeCap, inset));
}

REAL TGPCustomLineCap::GetBaseInset() {
  REAL inset = 0;
  SetStatus(Flat(GdipGetCustomLineCapBaseInset, nativeCap, &inset));
  return inset;
}

Status TGPCustomLineCap::SetWidthScale(REAL widthScale) {
  return SetStatus(Flat(GdipSetCustomLineCapWidthScale, nativeCap, widthScale));
}

REAL TGPCustomLineCap::GetWidthScale() {
  REAL scale = 0;
  SetStatus(Flat(GdipGetCustomLineCapWidthScale, nativeCap, &scale));
  return scale;
}

Status TGPCustomLineCap::GetLastStatus() {
  const Status status = lastResult;
  lastResult = Ok;
  return status;
}

}  // namespace KitGDIPlusClasses
