// Images, bitmaps, cached bitmaps, font families, fonts, font collections
// and paths of the run-time GDI+ binding.

#include "foundation/KitGDIPlusClasses.h"

#include <QByteArray>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "foundation/KitGDIPlusClassesCall.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"

namespace KitGDIPlusClasses {

using detail::CheckBuffer;
using detail::Flat;
using detail::Native;
using detail::TextLength;
using detail::TextOf;
using detail::ToBOOL;

namespace {

// Larger streams are refused rather than read into memory.
constexpr qint64 kMaxStreamImage = qint64(1) << 30;

// Decodes the stream's bytes from its position to its end. The stream's
// position ends after the bytes read.
Status LoadFromStream(TStream* stream, GpImage** image) {
  *image = nullptr;
  if (!stream) return InvalidParameter;
  try {
    const Int64 remaining = stream->Size() - stream->Position();
    if (remaining <= 0) return InvalidParameter;
    if (remaining > kMaxStreamImage) return OutOfMemory;
    QByteArray bytes(qsizetype(remaining), Qt::Uninitialized);
    Int64 filled = 0;
    while (filled < remaining) {
      const Int64 n = stream->Read(bytes.data() + filled, remaining - filled);
      if (n <= 0) break;
      filled += n;
    }
    bytes.truncate(qsizetype(filled));
    return GdiplusLoadImageFromBytes(bytes, image);
  } catch (const Exception&) {
    return Win32Error;  // the stream failed
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// TGPImage

Status TGPImage::SetStatus(Status status) {
  if (status != Ok) lastResult = status;
  return status;
}

TGPImage::TGPImage(const QString& filename, bool useEmbeddedColorManagement) {
  lastResult = Flat(useEmbeddedColorManagement ? GdipLoadImageFromFileICM : GdipLoadImageFromFile,
                    TextOf(filename), &nativeImage);
}

TGPImage::TGPImage(TStream* stream, bool useEmbeddedColorManagement) {
  (void)useEmbeddedColorManagement;  // images carry no colour profiles here
  lastResult = GdipLoadImageFromFile ? LoadFromStream(stream, &nativeImage) : NotImplemented;
}

TGPImage::TGPImage(GpImage* nativeImage, Status status)
    : nativeImage(nativeImage), lastResult(status) {}

TGPImage::~TGPImage() { Flat(GdipDisposeImage, nativeImage); }

std::unique_ptr<TGPImage> TGPImage::FromFile(const QString& filename,
                                             bool useEmbeddedColorManagement) {
  return std::make_unique<TGPImage>(filename, useEmbeddedColorManagement);
}

std::unique_ptr<TGPImage> TGPImage::FromStream(TStream* stream,
                                               bool useEmbeddedColorManagement) {
  return std::make_unique<TGPImage>(stream, useEmbeddedColorManagement);
}

std::unique_ptr<TGPImage> TGPImage::Clone() {
  GpImage* clone = nullptr;
  SetStatus(Flat(GdipCloneImage, nativeImage, &clone));
  return std::make_unique<TGPImage>(clone, lastResult);
}

Status TGPImage::Save(const QString& filename, const CLSID& clsidEncoder,
                      const EncoderParameters* encoderParams) {
  return SetStatus(
      Flat(GdipSaveImageToFile, nativeImage, TextOf(filename), &clsidEncoder, encoderParams));
}

Status TGPImage::Save(TStream* stream, const CLSID& clsidEncoder,
                      const EncoderParameters* encoderParams) {
  if (!stream) return SetStatus(InvalidParameter);
  if (!GdipSaveImageToFile) return SetStatus(NotImplemented);
  QByteArray bytes;
  const Status status = GdiplusSaveImageToBytes(nativeImage, clsidEncoder, encoderParams, bytes);
  if (status != Ok) return SetStatus(status);
  try {
    stream->WriteBuffer(bytes.constData(), bytes.size());
  } catch (const Exception&) {
    return SetStatus(Win32Error);  // the stream refused the bytes
  }
  return Ok;
}

Status TGPImage::SaveAdd(const EncoderParameters* encoderParams) {
  return SetStatus(Flat(GdipSaveAdd, nativeImage, encoderParams));
}

Status TGPImage::SaveAdd(const TGPImage* newImage, const EncoderParameters* encoderParams) {
  if (!newImage) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipSaveAddImage, nativeImage, Native::Of(newImage), encoderParams));
}

ImageType TGPImage::GetType() {
  ImageType type = ImageTypeUnknown;
  SetStatus(Flat(GdipGetImageType, nativeImage, &type));
  return type;
}

Status TGPImage::GetPhysicalDimension(TGPSizeF& size) {
  REAL width = 0, height = 0;
  const Status status = SetStatus(Flat(GdipGetImageDimension, nativeImage, &width, &height));
  size.Width = width;
  size.Height = height;
  return status;
}

Status TGPImage::GetBounds(TGPRectF& srcRect, Unit_& srcUnit) {
  srcUnit = Unit_(0);
  return SetStatus(Flat(GdipGetImageBounds, nativeImage, &srcRect, &srcUnit));
}

UINT TGPImage::GetWidth() {
  UINT width = 0;
  SetStatus(Flat(GdipGetImageWidth, nativeImage, &width));
  return width;
}

UINT TGPImage::GetHeight() {
  UINT height = 0;
  SetStatus(Flat(GdipGetImageHeight, nativeImage, &height));
  return height;
}

REAL TGPImage::GetHorizontalResolution() {
  REAL resolution = 0;
  SetStatus(Flat(GdipGetImageHorizontalResolution, nativeImage, &resolution));
  return resolution;
}

REAL TGPImage::GetVerticalResolution() {
  REAL resolution = 0;
  SetStatus(Flat(GdipGetImageVerticalResolution, nativeImage, &resolution));
  return resolution;
}

UINT TGPImage::GetFlags() {
  UINT flags = 0;
  SetStatus(Flat(GdipGetImageFlags, nativeImage, &flags));
  return flags;
}

Status TGPImage::GetRawFormat(GUID& format) {
  return SetStatus(Flat(GdipGetImageRawFormat, nativeImage, &format));
}

PixelFormat TGPImage::GetPixelFormat() {
  PixelFormat format = 0;
  SetStatus(Flat(GdipGetImagePixelFormat, nativeImage, &format));
  return format;
}

INT TGPImage::GetPaletteSize() {
  INT size = 0;
  SetStatus(Flat(GdipGetImagePaletteSize, nativeImage, &size));
  return size;
}

Status TGPImage::GetPalette(ColorPalette* palette, INT size) {
  return SetStatus(Flat(GdipGetImagePalette, nativeImage, palette, size));
}

Status TGPImage::SetPalette(const ColorPalette* palette) {
  return SetStatus(Flat(GdipSetImagePalette, nativeImage, palette));
}

std::unique_ptr<TGPImage> TGPImage::GetThumbnailImage(UINT thumbWidth, UINT thumbHeight,
                                                      ImageAbort callback, void* callbackData) {
  GpImage* thumbnail = nullptr;
  SetStatus(Flat(GdipGetImageThumbnail, nativeImage, thumbWidth, thumbHeight, &thumbnail,
                 callback, callbackData));
  return std::make_unique<TGPImage>(thumbnail, lastResult);
}

UINT TGPImage::GetFrameDimensionsCount() {
  UINT count = 0;
  SetStatus(Flat(GdipImageGetFrameDimensionsCount, nativeImage, &count));
  return count;
}

Status TGPImage::GetFrameDimensionsList(GUID* dimensionIDs, UINT count) {
  if (!dimensionIDs || count == 0) return SetStatus(InvalidParameter);
  UINT held = 0;
  const Status status = Flat(GdipImageGetFrameDimensionsCount, nativeImage, &held);
  if (status != Ok) return SetStatus(status);
  if (held > count) return SetStatus(InsufficientBuffer);
  return SetStatus(Flat(GdipImageGetFrameDimensionsList, nativeImage, dimensionIDs, held));
}

UINT TGPImage::GetFrameCount(const GUID& dimensionID) {
  UINT count = 0;
  SetStatus(Flat(GdipImageGetFrameCount, nativeImage, &dimensionID, &count));
  return count;
}

Status TGPImage::SelectActiveFrame(const GUID& dimensionID, UINT frameIndex) {
  return SetStatus(Flat(GdipImageSelectActiveFrame, nativeImage, &dimensionID, frameIndex));
}

Status TGPImage::RotateFlip(RotateFlipType rotateFlipType) {
  return SetStatus(Flat(GdipImageRotateFlip, nativeImage, rotateFlipType));
}

UINT TGPImage::GetPropertyCount() {
  UINT count = 0;
  SetStatus(Flat(GdipGetPropertyCount, nativeImage, &count));
  return count;
}

Status TGPImage::GetPropertyIdList(UINT numOfProperty, PROPID* list) {
  return SetStatus(Flat(GdipGetPropertyIdList, nativeImage, numOfProperty, list));
}

UINT TGPImage::GetPropertyItemSize(PROPID propId) {
  UINT size = 0;
  SetStatus(Flat(GdipGetPropertyItemSize, nativeImage, propId, &size));
  return size;
}

Status TGPImage::GetPropertyItem(PROPID propId, UINT propSize, PropertyItem* buffer) {
  return SetStatus(Flat(GdipGetPropertyItem, nativeImage, propId, propSize, buffer));
}

Status TGPImage::GetPropertySize(UINT& totalBufferSize, UINT& numProperties) {
  totalBufferSize = 0;
  numProperties = 0;
  return SetStatus(Flat(GdipGetPropertySize, nativeImage, &totalBufferSize, &numProperties));
}

Status TGPImage::GetAllPropertyItems(UINT totalBufferSize, UINT numProperties,
                                     PropertyItem* allItems) {
  return SetStatus(
      Flat(GdipGetAllPropertyItems, nativeImage, totalBufferSize, numProperties, allItems));
}

Status TGPImage::RemovePropertyItem(PROPID propId) {
  return SetStatus(Flat(GdipRemovePropertyItem, nativeImage, propId));
}

Status TGPImage::SetPropertyItem(const PropertyItem* item) {
  return SetStatus(Flat(GdipSetPropertyItem, nativeImage, item));
}

UINT TGPImage::GetEncoderParameterListSize(const CLSID& clsidEncoder) {
  UINT size = 0;
  SetStatus(Flat(GdipGetEncoderParameterListSize, nativeImage, &clsidEncoder, &size));
  return size;
}

Status TGPImage::GetEncoderParameterList(const CLSID& clsidEncoder, UINT size,
                                         EncoderParameters* buffer) {
  return SetStatus(Flat(GdipGetEncoderParameterList, nativeImage, &clsidEncoder, size, buffer));
}

Status TGPImage::GetLastStatus() {
  const Status status = lastResult;
  lastResult = Ok;
  return status;
}

// ---------------------------------------------------------------------------
// TGPBitmap

TGPBitmap::TGPBitmap(const QString& filename, bool useEmbeddedColorManagement) {
  lastResult =
      Flat(useEmbeddedColorManagement ? GdipCreateBitmapFromFileICM : GdipCreateBitmapFromFile,
           TextOf(filename), &nativeImage);
}

TGPBitmap::TGPBitmap(TStream* stream, bool useEmbeddedColorManagement) {
  (void)useEmbeddedColorManagement;
  lastResult = GdipCreateBitmapFromFile ? LoadFromStream(stream, &nativeImage) : NotImplemented;
}

TGPBitmap::TGPBitmap(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0) {
  lastResult = Flat(GdipCreateBitmapFromScan0, width, height, stride, format, scan0, &nativeImage);
}

TGPBitmap::TGPBitmap(INT width, INT height, PixelFormat format) {
  lastResult = Flat(GdipCreateBitmapFromScan0, width, height, 0, format,
                    static_cast<BYTE*>(nullptr), &nativeImage);
}

TGPBitmap::TGPBitmap(INT width, INT height, const TGPGraphics* target) {
  lastResult = target ? Flat(GdipCreateBitmapFromGraphics, width, height, Native::Of(target),
                             &nativeImage)
                      : InvalidParameter;
}

TGPBitmap::TGPBitmap(const BITMAPINFO* gdiBitmapInfo, void* gdiBitmapData) {
  lastResult = Flat(GdipCreateBitmapFromGdiDib, gdiBitmapInfo, gdiBitmapData, &nativeImage);
}

TGPBitmap::TGPBitmap(HBITMAP hbm, HPALETTE hpal) {
  lastResult = Flat(GdipCreateBitmapFromHBITMAP, hbm, hpal, &nativeImage);
}

TGPBitmap::TGPBitmap(HICON hicon) {
  lastResult = Flat(GdipCreateBitmapFromHICON, hicon, &nativeImage);
}

TGPBitmap::TGPBitmap(HINSTANCE hInstance, const QString& bitmapName) {
  lastResult = Flat(GdipCreateBitmapFromResource, hInstance, TextOf(bitmapName), &nativeImage);
}

TGPBitmap::TGPBitmap(GpBitmap* nativeBitmap) { nativeImage = nativeBitmap; }

std::unique_ptr<TGPBitmap> TGPBitmap::FromFile(const QString& filename,
                                               bool useEmbeddedColorManagement) {
  return std::make_unique<TGPBitmap>(filename, useEmbeddedColorManagement);
}

std::unique_ptr<TGPBitmap> TGPBitmap::FromStream(TStream* stream,
                                                 bool useEmbeddedColorManagement) {
  return std::make_unique<TGPBitmap>(stream, useEmbeddedColorManagement);
}

std::unique_ptr<TGPBitmap> TGPBitmap::FromBITMAPINFO(const BITMAPINFO* gdiBitmapInfo,
                                                     void* gdiBitmapData) {
  return std::make_unique<TGPBitmap>(gdiBitmapInfo, gdiBitmapData);
}

std::unique_ptr<TGPBitmap> TGPBitmap::FromHBITMAP(HBITMAP hbm, HPALETTE hpal) {
  return std::make_unique<TGPBitmap>(hbm, hpal);
}

std::unique_ptr<TGPBitmap> TGPBitmap::FromHICON(HICON hicon) {
  return std::make_unique<TGPBitmap>(hicon);
}

std::unique_ptr<TGPBitmap> TGPBitmap::FromResource(HINSTANCE hInstance,
                                                   const QString& bitmapName) {
  return std::make_unique<TGPBitmap>(hInstance, bitmapName);
}

std::unique_ptr<TGPBitmap> TGPBitmap::Clone(const TGPRect& rect, PixelFormat format) {
  return Clone(rect.X, rect.Y, rect.Width, rect.Height, format);
}

std::unique_ptr<TGPBitmap> TGPBitmap::Clone(INT x, INT y, INT width, INT height,
                                            PixelFormat format) {
  GpBitmap* clone = nullptr;
  lastResult = Flat(GdipCloneBitmapAreaI, x, y, width, height, format, nativeImage, &clone);
  if (lastResult != Ok) {
    Flat(GdipDisposeImage, clone);
    return nullptr;
  }
  return std::make_unique<TGPBitmap>(clone);
}

std::unique_ptr<TGPBitmap> TGPBitmap::Clone(const TGPRectF& rect, PixelFormat format) {
  return Clone(rect.X, rect.Y, rect.Width, rect.Height, format);
}

std::unique_ptr<TGPBitmap> TGPBitmap::Clone(REAL x, REAL y, REAL width, REAL height,
                                            PixelFormat format) {
  GpBitmap* clone = nullptr;
  SetStatus(Flat(GdipCloneBitmapArea, x, y, width, height, format, nativeImage, &clone));
  if (lastResult != Ok) {
    Flat(GdipDisposeImage, clone);  // not handed out under an unread failure
    return nullptr;
  }
  return std::make_unique<TGPBitmap>(clone);
}

Status TGPBitmap::LockBits(const TGPRect& rect, UINT flags, PixelFormat format,
                           BitmapData& lockedBitmapData) {
  const TGPRect area = rect;
  return SetStatus(Flat(GdipBitmapLockBits, nativeImage, &area, flags, format, &lockedBitmapData));
}

Status TGPBitmap::UnlockBits(BitmapData& lockedBitmapData) {
  return SetStatus(Flat(GdipBitmapUnlockBits, nativeImage, &lockedBitmapData));
}

Status TGPBitmap::GetPixel(INT x, INT y, ARGB& color) {
  color = 0;
  return SetStatus(Flat(GdipBitmapGetPixel, nativeImage, x, y, &color));
}

Status TGPBitmap::SetPixel(INT x, INT y, ARGB color) {
  return SetStatus(Flat(GdipBitmapSetPixel, nativeImage, x, y, color));
}

Status TGPBitmap::SetResolution(REAL xdpi, REAL ydpi) {
  return SetStatus(Flat(GdipBitmapSetResolution, nativeImage, xdpi, ydpi));
}

Status TGPBitmap::GetHBITMAP(ARGB colorBackground, HBITMAP& hbmReturn) {
  return SetStatus(Flat(GdipCreateHBITMAPFromBitmap, nativeImage, &hbmReturn, colorBackground));
}

Status TGPBitmap::GetHICON(HICON& hicon) {
  return SetStatus(Flat(GdipCreateHICONFromBitmap, nativeImage, &hicon));
}

// ---------------------------------------------------------------------------
// TGPCachedBitmap

TGPCachedBitmap::TGPCachedBitmap(const TGPBitmap* bitmap, const TGPGraphics* graphics) {
  lastResult = bitmap && graphics
                   ? Flat(GdipCreateCachedBitmap, Native::Of(bitmap), Native::Of(graphics),
                          &nativeCachedBitmap)
                   : InvalidParameter;
}

TGPCachedBitmap::~TGPCachedBitmap() {
  if (nativeCachedBitmap) Flat(GdipDeleteCachedBitmap, nativeCachedBitmap);
}

Status TGPCachedBitmap::GetLastStatus() {
  const Status status = lastResult;
  lastResult = Ok;
  return status;
}

// ---------------------------------------------------------------------------
// TGPFontFamily

Status TGPFontFamily::SetStatus(Status status) {
  if (status != Ok) lastResult = status;
  return status;
}

TGPFontFamily::TGPFontFamily() = default;

TGPFontFamily::TGPFontFamily(const QString& name, const TGPFontCollection* fontCollection) {
  lastResult = Flat(GdipCreateFontFamilyFromName, TextOf(name),
                    Native::Of(fontCollection),
                    &nativeFamily);
}

TGPFontFamily::TGPFontFamily(GpFontFamily* nativeOrig, Status status)
    : nativeFamily(nativeOrig), lastResult(status) {}

TGPFontFamily::~TGPFontFamily() { Flat(GdipDeleteFontFamily, nativeFamily); }

void TGPFontFamily::Replace(GpFontFamily* family) {
  if (family == nativeFamily) return;
  Flat(GdipDeleteFontFamily, nativeFamily);
  nativeFamily = family;
}

Status TGPFontFamily::GetFamilyName(QString& name, LANGID language) {
  name.clear();
  // Family names hold at most 32 characters with their terminating NUL; the
  // buffer leaves room for a library that writes more.
  WCHAR buffer[128] = {};
  const Status status = SetStatus(Flat(GdipGetFamilyName, nativeFamily, buffer, language));
  qsizetype length = 0;
  while (length < 32 && buffer[length]) ++length;
  name = QString::fromUtf16(buffer, length);
  return status;
}

std::unique_ptr<TGPFontFamily> TGPFontFamily::Clone() {
  GpFontFamily* clone = nullptr;
  SetStatus(Flat(GdipCloneFontFamily, nativeFamily, &clone));
  return std::make_unique<TGPFontFamily>(clone, lastResult);
}

bool TGPFontFamily::IsStyleAvailable(INT style) {
  BOOL available = FALSE;
  const Status status = SetStatus(Flat(GdipIsStyleAvailable, nativeFamily, style, &available));
  return status == Ok && available != FALSE;
}

UINT16 TGPFontFamily::GetEmHeight(INT style) {
  UINT16 value = 0;
  SetStatus(Flat(GdipGetEmHeight, nativeFamily, style, &value));
  return value;
}

UINT16 TGPFontFamily::GetCellAscent(INT style) {
  UINT16 value = 0;
  SetStatus(Flat(GdipGetCellAscent, nativeFamily, style, &value));
  return value;
}

UINT16 TGPFontFamily::GetCellDescent(INT style) {
  UINT16 value = 0;
  SetStatus(Flat(GdipGetCellDescent, nativeFamily, style, &value));
  return value;
}

UINT16 TGPFontFamily::GetLineSpacing(INT style) {
  UINT16 value = 0;
  SetStatus(Flat(GdipGetLineSpacing, nativeFamily, style, &value));
  return value;
}

Status TGPFontFamily::GetLastStatus() {
  const Status status = lastResult;
  lastResult = Ok;
  return status;
}

// ---------------------------------------------------------------------------
// TGPFont

Status TGPFont::SetStatus(Status status) {
  if (status != Ok) lastResult = status;
  return status;
}

void TGPFont::CreateFromDC(HDC hdc) {
  lastResult = Flat(GdipCreateFontFromDC, hdc, &nativeFont);
}

TGPFont::TGPFont(HDC hdc) { CreateFromDC(hdc); }

TGPFont::TGPFont(HDC hdc, const LOGFONTA* logfont) {
  if (logfont)
    lastResult = Flat(GdipCreateFontFromLogfontA, hdc, logfont, &nativeFont);
  else
    CreateFromDC(hdc);
}

TGPFont::TGPFont(HDC hdc, const LOGFONTW* logfont) {
  if (logfont)
    lastResult = Flat(GdipCreateFontFromLogfontW, hdc, logfont, &nativeFont);
  else
    CreateFromDC(hdc);
}

TGPFont::TGPFont(HDC hdc, HFONT hfont) {
  // The logical font of the platform layer is the wide record.
  LOGFONTW logfont{};
  if (hfont && GetObjectW(hfont, int(sizeof logfont), &logfont) == int(sizeof logfont))
    lastResult = Flat(GdipCreateFontFromLogfontW, hdc, &logfont, &nativeFont);
  else
    CreateFromDC(hdc);
}

TGPFont::TGPFont(const TGPFontFamily* family, REAL emSize, INT style, Unit_ unit_) {
  lastResult = Flat(GdipCreateFont, Native::Of(family), emSize, style,
                    INT(unit_), &nativeFont);
}

TGPFont::TGPFont(const QString& familyName, REAL emSize, INT style, Unit_ unit_,
                 const TGPFontCollection* fontCollection) {
  TGPFontFamily family(familyName, fontCollection);
  GpFontFamily* handle = Native::Of(&family);
  lastResult = family.GetLastStatus();
  if (lastResult != Ok) {
    TGPFontFamily* generic = TGPFontFamily::GenericSansSerif();
    handle = Native::Of(generic);
    lastResult = Native::StatusOf(generic);
    if (lastResult != Ok) return;
  }
  lastResult = Flat(GdipCreateFont, handle, emSize, style, INT(unit_), &nativeFont);
  if (lastResult != Ok) {
    TGPFontFamily* generic = TGPFontFamily::GenericSansSerif();
    if (Native::StatusOf(generic) == Ok)
      lastResult = Flat(GdipCreateFont, Native::Of(generic), emSize, style, INT(unit_),
                        &nativeFont);
  }
}

TGPFont::TGPFont(GpFont* font, Status status) : nativeFont(font), lastResult(status) {}

TGPFont::~TGPFont() { Flat(GdipDeleteFont, nativeFont); }

Status TGPFont::GetLogFontA(const TGPGraphics* g, LOGFONTA* logfontA) {
  if (!logfontA) return SetStatus(InvalidParameter);
  // lfHeight is the first field of the record, as in the wide one.
  *reinterpret_cast<LONG*>(logfontA) = 0;
  return SetStatus(
      Flat(GdipGetLogFontA, nativeFont, Native::Of(g), logfontA));
}

Status TGPFont::GetLogFontW(const TGPGraphics* g, LOGFONTW* logfontW) {
  if (!logfontW) return SetStatus(InvalidParameter);
  logfontW->lfHeight = 0;
  return SetStatus(
      Flat(GdipGetLogFontW, nativeFont, Native::Of(g), logfontW));
}

std::unique_ptr<TGPFont> TGPFont::Clone() {
  GpFont* clone = nullptr;
  SetStatus(Flat(GdipCloneFont, nativeFont, &clone));
  return std::make_unique<TGPFont>(clone, lastResult);
}

INT TGPFont::GetStyle() {
  INT style = 0;
  SetStatus(Flat(GdipGetFontStyle, nativeFont, &style));
  return style;
}

REAL TGPFont::GetSize() {
  REAL size = 0;
  SetStatus(Flat(GdipGetFontSize, nativeFont, &size));
  return size;
}

Unit_ TGPFont::GetUnit() {
  Unit_ unit = UnitWorld;
  SetStatus(Flat(GdipGetFontUnit, nativeFont, &unit));
  return unit;
}

REAL TGPFont::GetHeight(const TGPGraphics* graphics) {
  REAL height = 0;
  SetStatus(
      Flat(GdipGetFontHeight, nativeFont, Native::Of(graphics), &height));
  return height;
}

REAL TGPFont::GetHeight(REAL dpi) {
  REAL height = 0;
  SetStatus(Flat(GdipGetFontHeightGivenDPI, nativeFont, dpi, &height));
  return height;
}

Status TGPFont::GetFamily(TGPFontFamily* family) {
  if (!family) return SetStatus(InvalidParameter);
  GpFontFamily* handle = nullptr;
  const Status status = Flat(GdipGetFamily, nativeFont, &handle);  // a copy of the family
  if (status == Ok) Native::Adopt(family, handle);
  Native::Record(family, status);
  return SetStatus(status);
}

Status TGPFont::GetLastStatus() { return lastResult; }

// ---------------------------------------------------------------------------
// TGPFontCollection

Status TGPFontCollection::SetStatus(Status status) {
  lastResult = status;
  return status;
}

INT TGPFontCollection::GetFamilyCount() {
  INT count = 0;
  SetStatus(Flat(GdipGetFontCollectionFamilyCount, nativeFontCollection, &count));
  return count;
}

Status TGPFontCollection::GetFamilies(INT numSought, std::span<TGPFontFamily* const> gpfamilies,
                                      INT& numFound) {
  if (numSought < 1 || gpfamilies.empty() || size_t(numSought) > gpfamilies.size())
    return SetStatus(InvalidParameter);
  numFound = 0;
  std::vector<GpFontFamily*> handles(size_t(numSought), nullptr);
  INT found = 0;
  SetStatus(Flat(GdipGetFontCollectionFamilyList, nativeFontCollection, numSought,
                 handles.data(), &found));
  if (lastResult == Ok) {
    // The library hands out families of its own making that the caller frees:
    // the given families take them over (a copy would leave them unfreed).
    numFound = std::clamp(found, 0, numSought);
    for (INT i = 0; i < numFound; ++i) {
      TGPFontFamily* family = gpfamilies[size_t(i)];
      if (family)
        Native::Adopt(family, handles[size_t(i)]);
      else
        Flat(GdipDeleteFontFamily, handles[size_t(i)]);
    }
  }
  return lastResult;
}

Status TGPFontCollection::GetLastStatus() { return lastResult; }

// ---------------------------------------------------------------------------
// TGPGraphicsPath

Status TGPGraphicsPath::SetStatus(Status status) {
  if (status != Ok) lastResult = status;
  return status;
}

TGPGraphicsPath::TGPGraphicsPath(FillMode fillMode) {
  lastResult = Flat(GdipCreatePath, fillMode, &nativePath);
}

TGPGraphicsPath::TGPGraphicsPath(const TGPPointF* points, const BYTE* types, INT count,
                                 FillMode fillMode) {
  lastResult = Flat(GdipCreatePath2, points, types, count, fillMode, &nativePath);
}

TGPGraphicsPath::TGPGraphicsPath(const TGPPoint* points, const BYTE* types, INT count,
                                 FillMode fillMode) {
  lastResult = Flat(GdipCreatePath2I, points, types, count, fillMode, &nativePath);
}

TGPGraphicsPath::TGPGraphicsPath(const TGPGraphicsPath* path) {
  lastResult = path ? Flat(GdipClonePath, Native::Of(path), &nativePath) : InvalidParameter;
}

TGPGraphicsPath::TGPGraphicsPath(GpPath* nativePath) : nativePath(nativePath) {}

TGPGraphicsPath::~TGPGraphicsPath() { Flat(GdipDeletePath, nativePath); }

std::unique_ptr<TGPGraphicsPath> TGPGraphicsPath::Clone() {
  GpPath* clone = nullptr;
  SetStatus(Flat(GdipClonePath, nativePath, &clone));
  return std::make_unique<TGPGraphicsPath>(clone);
}

Status TGPGraphicsPath::Reset() { return SetStatus(Flat(GdipResetPath, nativePath)); }

Status TGPGraphicsPath::SetFillMode(FillMode fillmode) {
  return SetStatus(Flat(GdipSetPathFillMode, nativePath, fillmode));
}

FillMode TGPGraphicsPath::GetFillMode() {
  FillMode mode = FillModeAlternate;
  if (SetStatus(Flat(GdipGetPathFillMode, nativePath, &mode)) != Ok) return FillModeAlternate;
  return mode;
}

// The arrays of pathData are reused when this operation allocated them with
// room for the path's points, and allocated anew otherwise, so a Count the
// caller set never lets the library write past them. After the call Count
// is the number of points delivered.
Status TGPGraphicsPath::GetPathData(TPathData* pathData) {
  if (!pathData) return SetStatus(InvalidParameter);
  const INT n = GetPointCount();
  const bool fits = pathData->Points && pathData->Types && pathData->Allocated >= n;
  if (n <= 0 || !fits) {
    pathData->Count = 0;
    pathData->Allocated = 0;
    std::free(pathData->Points);
    std::free(pathData->Types);
    pathData->Points = nullptr;
    pathData->Types = nullptr;
    if (n <= 0) return lastResult;
    pathData->Points = static_cast<PGPPointF>(std::malloc(sizeof(TGPPointF) * size_t(n)));
    pathData->Types = static_cast<BYTE*>(std::malloc(size_t(n)));
    if (!pathData->Points || !pathData->Types) {
      std::free(pathData->Points);
      std::free(pathData->Types);
      pathData->Points = nullptr;
      pathData->Types = nullptr;
      return SetStatus(OutOfMemory);
    }
    pathData->Allocated = n;
  }
  pathData->Count = n;
  return SetStatus(Flat(GdipGetPathData, nativePath, pathData->Data()));
}

Status TGPGraphicsPath::StartFigure() { return SetStatus(Flat(GdipStartPathFigure, nativePath)); }

Status TGPGraphicsPath::CloseFigure() { return SetStatus(Flat(GdipClosePathFigure, nativePath)); }

Status TGPGraphicsPath::CloseAllFigures() {
  return SetStatus(Flat(GdipClosePathFigures, nativePath));
}

Status TGPGraphicsPath::SetMarker() { return SetStatus(Flat(GdipSetPathMarker, nativePath)); }

Status TGPGraphicsPath::ClearMarkers() {
  return SetStatus(Flat(GdipClearPathMarkers, nativePath));
}

Status TGPGraphicsPath::Reverse() { return SetStatus(Flat(GdipReversePath, nativePath)); }

Status TGPGraphicsPath::GetLastPoint(TGPPointF& lastPoint) {
  return SetStatus(Flat(GdipGetPathLastPoint, nativePath, &lastPoint));
}

Status TGPGraphicsPath::AddLine(const TGPPointF& pt1, const TGPPointF& pt2) {
  return AddLine(pt1.X, pt1.Y, pt2.X, pt2.Y);
}

Status TGPGraphicsPath::AddLine(REAL x1, REAL y1, REAL x2, REAL y2) {
  return SetStatus(Flat(GdipAddPathLine, nativePath, x1, y1, x2, y2));
}

Status TGPGraphicsPath::AddLine(const TGPPoint& pt1, const TGPPoint& pt2) {
  return AddLine(pt1.X, pt1.Y, pt2.X, pt2.Y);
}

Status TGPGraphicsPath::AddLine(INT x1, INT y1, INT x2, INT y2) {
  return SetStatus(Flat(GdipAddPathLineI, nativePath, x1, y1, x2, y2));
}

Status TGPGraphicsPath::AddLines(const TGPPointF* points, INT count) {
  return SetStatus(Flat(GdipAddPathLine2, nativePath, points, count));
}

Status TGPGraphicsPath::AddLines(const TGPPoint* points, INT count) {
  return SetStatus(Flat(GdipAddPathLine2I, nativePath, points, count));
}

Status TGPGraphicsPath::AddArc(const TGPRectF& rect, REAL startAngle, REAL sweepAngle) {
  return AddArc(rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

Status TGPGraphicsPath::AddArc(REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                               REAL sweepAngle) {
  return SetStatus(Flat(GdipAddPathArc, nativePath, x, y, width, height, startAngle, sweepAngle));
}

Status TGPGraphicsPath::AddArc(const TGPRect& rect, REAL startAngle, REAL sweepAngle) {
  return AddArc(rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

Status TGPGraphicsPath::AddArc(INT x, INT y, INT width, INT height, REAL startAngle,
                               REAL sweepAngle) {
  return SetStatus(
      Flat(GdipAddPathArcI, nativePath, x, y, width, height, startAngle, sweepAngle));
}

Status TGPGraphicsPath::AddBezier(const TGPPointF& pt1, const TGPPointF& pt2,
                                  const TGPPointF& pt3, const TGPPointF& pt4) {
  return AddBezier(pt1.X, pt1.Y, pt2.X, pt2.Y, pt3.X, pt3.Y, pt4.X, pt4.Y);
}

Status TGPGraphicsPath::AddBezier(REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4,
                                  REAL y4) {
  return SetStatus(Flat(GdipAddPathBezier, nativePath, x1, y1, x2, y2, x3, y3, x4, y4));
}

Status TGPGraphicsPath::AddBezier(const TGPPoint& pt1, const TGPPoint& pt2, const TGPPoint& pt3,
                                  const TGPPoint& pt4) {
  return AddBezier(pt1.X, pt1.Y, pt2.X, pt2.Y, pt3.X, pt3.Y, pt4.X, pt4.Y);
}

Status TGPGraphicsPath::AddBezier(INT x1, INT y1, INT x2, INT y2, INT x3, INT y3, INT x4,
                                  INT y4) {
  return SetStatus(Flat(GdipAddPathBezierI, nativePath, x1, y1, x2, y2, x3, y3, x4, y4));
}

Status TGPGraphicsPath::AddBeziers(const TGPPointF* points, INT count) {
  return SetStatus(Flat(GdipAddPathBeziers, nativePath, points, count));
}

Status TGPGraphicsPath::AddBeziers(const TGPPoint* points, INT count) {
  return SetStatus(Flat(GdipAddPathBeziersI, nativePath, points, count));
}

Status TGPGraphicsPath::AddCurve(const TGPPointF* points, INT count) {
  return SetStatus(Flat(GdipAddPathCurve, nativePath, points, count));
}

Status TGPGraphicsPath::AddCurve(const TGPPointF* points, INT count, REAL tension) {
  return SetStatus(Flat(GdipAddPathCurve2, nativePath, points, count, tension));
}

Status TGPGraphicsPath::AddCurve(const TGPPointF* points, INT count, INT offset,
                                 INT numberOfSegments, REAL tension) {
  return SetStatus(
      Flat(GdipAddPathCurve3, nativePath, points, count, offset, numberOfSegments, tension));
}

Status TGPGraphicsPath::AddCurve(const TGPPoint* points, INT count) {
  return SetStatus(Flat(GdipAddPathCurveI, nativePath, points, count));
}

Status TGPGraphicsPath::AddCurve(const TGPPoint* points, INT count, REAL tension) {
  return SetStatus(Flat(GdipAddPathCurve2I, nativePath, points, count, tension));
}

Status TGPGraphicsPath::AddCurve(const TGPPoint* points, INT count, INT offset,
                                 INT numberOfSegments, REAL tension) {
  return SetStatus(
      Flat(GdipAddPathCurve3I, nativePath, points, count, offset, numberOfSegments, tension));
}

Status TGPGraphicsPath::AddClosedCurve(const TGPPointF* points, INT count) {
  return SetStatus(Flat(GdipAddPathClosedCurve, nativePath, points, count));
}

Status TGPGraphicsPath::AddClosedCurve(const TGPPointF* points, INT count, REAL tension) {
  return SetStatus(Flat(GdipAddPathClosedCurve2, nativePath, points, count, tension));
}

Status TGPGraphicsPath::AddClosedCurve(const TGPPoint* points, INT count) {
  return SetStatus(Flat(GdipAddPathClosedCurveI, nativePath, points, count));
}

Status TGPGraphicsPath::AddClosedCurve(const TGPPoint* points, INT count, REAL tension) {
  return SetStatus(Flat(GdipAddPathClosedCurve2I, nativePath, points, count, tension));
}

Status TGPGraphicsPath::AddRectangle(const TGPRectF& rect) {
  return SetStatus(Flat(GdipAddPathRectangle, nativePath, rect.X, rect.Y, rect.Width, rect.Height));
}

Status TGPGraphicsPath::AddRectangle(const TGPRect& rect) {
  return SetStatus(
      Flat(GdipAddPathRectangleI, nativePath, rect.X, rect.Y, rect.Width, rect.Height));
}

Status TGPGraphicsPath::AddRectangles(const TGPRectF* rects, INT count) {
  return SetStatus(Flat(GdipAddPathRectangles, nativePath, rects, count));
}

Status TGPGraphicsPath::AddRectangles(const TGPRect* rects, INT count) {
  return SetStatus(Flat(GdipAddPathRectanglesI, nativePath, rects, count));
}

Status TGPGraphicsPath::AddEllipse(const TGPRectF& rect) {
  return AddEllipse(rect.X, rect.Y, rect.Width, rect.Height);
}

Status TGPGraphicsPath::AddEllipse(REAL x, REAL y, REAL width, REAL height) {
  return SetStatus(Flat(GdipAddPathEllipse, nativePath, x, y, width, height));
}

Status TGPGraphicsPath::AddEllipse(const TGPRect& rect) {
  return AddEllipse(rect.X, rect.Y, rect.Width, rect.Height);
}

Status TGPGraphicsPath::AddEllipse(INT x, INT y, INT width, INT height) {
  return SetStatus(Flat(GdipAddPathEllipseI, nativePath, x, y, width, height));
}

Status TGPGraphicsPath::AddPie(const TGPRectF& rect, REAL startAngle, REAL sweepAngle) {
  return AddPie(rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

Status TGPGraphicsPath::AddPie(REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                               REAL sweepAngle) {
  return SetStatus(Flat(GdipAddPathPie, nativePath, x, y, width, height, startAngle, sweepAngle));
}

Status TGPGraphicsPath::AddPie(const TGPRect& rect, REAL startAngle, REAL sweepAngle) {
  return AddPie(rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

Status TGPGraphicsPath::AddPie(INT x, INT y, INT width, INT height, REAL startAngle,
                               REAL sweepAngle) {
  return SetStatus(
      Flat(GdipAddPathPieI, nativePath, x, y, width, height, startAngle, sweepAngle));
}

Status TGPGraphicsPath::AddPolygon(const TGPPointF* points, INT count) {
  return SetStatus(Flat(GdipAddPathPolygon, nativePath, points, count));
}

Status TGPGraphicsPath::AddPolygon(const TGPPoint* points, INT count) {
  return SetStatus(Flat(GdipAddPathPolygonI, nativePath, points, count));
}

Status TGPGraphicsPath::AddPath(const TGPGraphicsPath* addingPath, bool connect) {
  return SetStatus(Flat(GdipAddPathPath, nativePath, Native::Of(addingPath),
                        ToBOOL(connect)));
}

Status TGPGraphicsPath::AddString(const QString& string_, INT length,
                                  const TGPFontFamily* family, INT style, REAL emSize,
                                  const TGPPointF& origin, const TGPStringFormat* format) {
  return AddString(string_, length, family, style, emSize, TGPRectF{origin.X, origin.Y, 0, 0},
                   format);
}

Status TGPGraphicsPath::AddString(const QString& string_, INT length,
                                  const TGPFontFamily* family, INT style, REAL emSize,
                                  const TGPRectF& layoutRect, const TGPStringFormat* format) {
  return SetStatus(Flat(GdipAddPathString, nativePath, TextOf(string_),
                        TextLength(string_, length), Native::Of(family),
                        style, emSize, &layoutRect, Native::Of(format)));
}

Status TGPGraphicsPath::AddString(const QString& string_, INT length,
                                  const TGPFontFamily* family, INT style, REAL emSize,
                                  const TGPPoint& origin, const TGPStringFormat* format) {
  return AddString(string_, length, family, style, emSize, TGPRect{origin.X, origin.Y, 0, 0},
                   format);
}

Status TGPGraphicsPath::AddString(const QString& string_, INT length,
                                  const TGPFontFamily* family, INT style, REAL emSize,
                                  const TGPRect& layoutRect, const TGPStringFormat* format) {
  return SetStatus(Flat(GdipAddPathStringI, nativePath, TextOf(string_),
                        TextLength(string_, length), Native::Of(family),
                        style, emSize, &layoutRect, Native::Of(format)));
}

Status TGPGraphicsPath::Transform(const TGPMatrix* matrix) {
  if (!matrix) return Ok;
  return SetStatus(Flat(GdipTransformPath, nativePath, Native::Of(matrix)));
}

Status TGPGraphicsPath::GetBounds(TGPRectF& bounds, const TGPMatrix* matrix, const TGPPen* pen) {
  return SetStatus(Flat(GdipGetPathWorldBounds, nativePath, &bounds,
                        Native::Of(matrix), Native::Of(pen)));
}

Status TGPGraphicsPath::GetBounds(TGPRect& bounds, const TGPMatrix* matrix, const TGPPen* pen) {
  return SetStatus(Flat(GdipGetPathWorldBoundsI, nativePath, &bounds,
                        Native::Of(matrix), Native::Of(pen)));
}

Status TGPGraphicsPath::Flatten(const TGPMatrix* matrix, REAL flatness) {
  return SetStatus(
      Flat(GdipFlattenPath, nativePath, Native::Of(matrix), flatness));
}

Status TGPGraphicsPath::Widen(const TGPPen* pen, const TGPMatrix* matrix, REAL flatness) {
  if (!pen) return SetStatus(InvalidParameter);
  return SetStatus(Flat(GdipWidenPath, nativePath, Native::Of(pen),
                        Native::Of(matrix), flatness));
}

Status TGPGraphicsPath::Outline(const TGPMatrix* matrix, REAL flatness) {
  return SetStatus(Flat(GdipWindingModeOutline, nativePath,
                        Native::Of(matrix), flatness));
}

Status TGPGraphicsPath::Warp(const TGPPointF* destPoints, INT count, const TGPRectF& srcRect,
                             const TGPMatrix* matrix, WarpMode warpMode, REAL flatness) {
  return SetStatus(Flat(GdipWarpPath, nativePath, Native::Of(matrix),
                        destPoints, count, srcRect.X, srcRect.Y, srcRect.Width, srcRect.Height,
                        warpMode, flatness));
}

INT TGPGraphicsPath::GetPointCount() {
  INT count = 0;
  SetStatus(Flat(GdipGetPointCount, nativePath, &count));
  return count;
}

Status TGPGraphicsPath::GetPathTypes(BYTE* types, INT count) {
  INT entries = 0;
  const Status status = CheckBuffer(GdipGetPointCount, nativePath, types, count, entries);
  if (status != Ok) return SetStatus(status);
  return SetStatus(Flat(GdipGetPathTypes, nativePath, types, entries));
}

Status TGPGraphicsPath::GetPathPoints(TGPPointF* points, INT count) {
  INT entries = 0;
  const Status status = CheckBuffer(GdipGetPointCount, nativePath, points, count, entries);
  if (status != Ok) return SetStatus(status);
  return SetStatus(Flat(GdipGetPathPoints, nativePath, points, entries));
}

Status TGPGraphicsPath::GetPathPoints(TGPPoint* points, INT count) {
  INT entries = 0;
  const Status status = CheckBuffer(GdipGetPointCount, nativePath, points, count, entries);
  if (status != Ok) return SetStatus(status);
  return SetStatus(Flat(GdipGetPathPointsI, nativePath, points, entries));
}

bool TGPGraphicsPath::IsVisible(const TGPPointF& point, const TGPGraphics* g) {
  return IsVisible(point.X, point.Y, g);
}

bool TGPGraphicsPath::IsVisible(REAL x, REAL y, const TGPGraphics* g) {
  BOOL result = FALSE;
  SetStatus(Flat(GdipIsVisiblePathPoint, nativePath, x, y, Native::Of(g),
                 &result));
  return result != FALSE;
}

bool TGPGraphicsPath::IsVisible(const TGPPoint& point, const TGPGraphics* g) {
  return IsVisible(point.X, point.Y, g);
}

bool TGPGraphicsPath::IsVisible(INT x, INT y, const TGPGraphics* g) {
  BOOL result = FALSE;
  SetStatus(Flat(GdipIsVisiblePathPointI, nativePath, x, y, Native::Of(g),
                 &result));
  return result != FALSE;
}

bool TGPGraphicsPath::IsOutlineVisible(const TGPPointF& point, const TGPPen* pen,
                                       const TGPGraphics* g) {
  return IsOutlineVisible(point.X, point.Y, pen, g);
}

bool TGPGraphicsPath::IsOutlineVisible(REAL x, REAL y, const TGPPen* pen, const TGPGraphics* g) {
  BOOL result = FALSE;
  SetStatus(Flat(GdipIsOutlineVisiblePathPoint, nativePath, x, y, Native::Of(pen),
                 Native::Of(g), &result));
  return result != FALSE;
}

bool TGPGraphicsPath::IsOutlineVisible(const TGPPoint& point, const TGPPen* pen,
                                       const TGPGraphics* g) {
  return IsOutlineVisible(point.X, point.Y, pen, g);
}

bool TGPGraphicsPath::IsOutlineVisible(INT x, INT y, const TGPPen* pen, const TGPGraphics* g) {
  BOOL result = FALSE;
  SetStatus(Flat(GdipIsOutlineVisiblePathPointI, nativePath, x, y, Native::Of(pen),
                 Native::Of(g), &result));
  return result != FALSE;
}

Status TGPGraphicsPath::GetLastStatus() {
  const Status status = lastResult;
  lastResult = Ok;
  return status;
}

}  // namespace KitGDIPlusClasses
