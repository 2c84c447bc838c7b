// The static GDI+ binding: string formats, paths, images, bitmaps and
// matrices.

#include <QFile>
#include <QImage>

#include <cstring>

#include "gdiplus/KitGDIP.h"
#include "gdiplus/KitGDIPFlat.h"
#include "platform/rtl/Streams.h"

namespace KitGDIP {

// ---------------------------------------------------------------------------
// TGPStringFormat

TF_PUBLISHED(TGPStringFormat, TGdiplusBase) { return TPublished<TGPStringFormat>(); }

TGPStringFormat::TGPStringFormat(int formatFlags, LANGID language) {
  lastError = GDIP(GdipCreateStringFormat)(formatFlags, language, &nativeFormat);
}

TGPStringFormat::TGPStringFormat(TGPStringFormat* format) {
  lastError = GDIP(GdipCloneStringFormat)(TNative::Get(format), &nativeFormat);
  if (lastError != Ok) nativeFormat = nullptr;
}

TGPStringFormat::TGPStringFormat(GpStringFormat* clonedStringFormat, TStatus status)
    : nativeFormat(clonedStringFormat), lastError(status) {}

TGPStringFormat::~TGPStringFormat() {
  if (nativeFormat) GDIP(GdipDeleteStringFormat)(nativeFormat);
}

TStatus TGPStringFormat::SetStatus(TStatus status) {
  if (status != Ok) lastError = status;
  return status;
}

TStatus TGPStringFormat::SetAlignment(StringAlignment align) {
  return SetStatus(GDIP(GdipSetStringFormatAlign)(nativeFormat, align));
}

StringAlignment TGPStringFormat::GetAlignment() {
  StringAlignment align = StringAlignmentNear;
  if (SetStatus(GDIP(GdipGetStringFormatAlign)(nativeFormat, &align)) != Ok) return StringAlignmentNear;
  return align;
}

TStatus TGPStringFormat::SetLineAlignment(StringAlignment align) {
  return SetStatus(GDIP(GdipSetStringFormatLineAlign)(nativeFormat, align));
}

StringAlignment TGPStringFormat::GetLineAlignment() {
  StringAlignment align = StringAlignmentNear;
  if (SetStatus(GDIP(GdipGetStringFormatLineAlign)(nativeFormat, &align)) != Ok) return StringAlignmentNear;
  return align;
}

TStatus TGPStringFormat::SetTrimming(StringTrimming trimming) {
  return SetStatus(GDIP(GdipSetStringFormatTrimming)(nativeFormat, trimming));
}

StringTrimming TGPStringFormat::GetTrimming() {
  StringTrimming trimming = StringTrimmingNone;
  if (SetStatus(GDIP(GdipGetStringFormatTrimming)(nativeFormat, &trimming)) != Ok) return StringTrimmingNone;
  return trimming;
}

TStatus TGPStringFormat::SetFormatFlags(int flags) {
  return SetStatus(GDIP(GdipSetStringFormatFlags)(nativeFormat, flags));
}

int TGPStringFormat::GetFormatFlags() {
  INT flags = 0;
  if (SetStatus(GDIP(GdipGetStringFormatFlags)(nativeFormat, &flags)) != Ok) return 0;
  return flags;
}

TStatus TGPStringFormat::SetHotkeyPrefix(HotkeyPrefix hotkeyPrefix) {
  return SetStatus(GDIP(GdipSetStringFormatHotkeyPrefix)(nativeFormat, hotkeyPrefix));
}

HotkeyPrefix TGPStringFormat::GetHotkeyPrefix() {
  INT prefix = HotkeyPrefixNone;
  if (SetStatus(GDIP(GdipGetStringFormatHotkeyPrefix)(nativeFormat, &prefix)) != Ok) return HotkeyPrefixNone;
  return HotkeyPrefix(prefix);
}

TStatus TGPStringFormat::GetLastStatus() {
  const TStatus result = lastError;
  lastError = Ok;
  return result;
}

// ---------------------------------------------------------------------------
// TGPGraphicsPath

TF_PUBLISHED(TGPGraphicsPath, TGdiplusBase) { return TPublished<TGPGraphicsPath>(); }

TGPGraphicsPath::TGPGraphicsPath(FillMode fillMode) { lastResult = GDIP(GdipCreatePath)(fillMode, &nativePath); }

TGPGraphicsPath::TGPGraphicsPath(const TGPPointF* points, const BYTE* types, int count, FillMode fillMode) {
  if (count < 0 || (count > 0 && (points == nullptr || types == nullptr))) {
    lastResult = InvalidParameter;
    return;
  }
  lastResult = GDIP(GdipCreatePath2)(points, types, count, fillMode, &nativePath);
}

TGPGraphicsPath::TGPGraphicsPath(GpPath* path) : nativePath(path) {}

TGPGraphicsPath::~TGPGraphicsPath() {
  if (nativePath) GDIP(GdipDeletePath)(nativePath);
}

TStatus TGPGraphicsPath::SetStatus(TStatus status) {
  if (status != Ok) lastResult = status;
  return status;
}

TStatus TGPGraphicsPath::CloseFigure() { return SetStatus(GDIP(GdipClosePathFigure)(nativePath)); }
TStatus TGPGraphicsPath::Reset() { return SetStatus(GDIP(GdipResetPath)(nativePath)); }

TStatus TGPGraphicsPath::AddLine(const TGPPointF& pt1, const TGPPointF& pt2) {
  return AddLine(pt1.X, pt1.Y, pt2.X, pt2.Y);
}

TStatus TGPGraphicsPath::AddLine(REAL x1, REAL y1, REAL x2, REAL y2) {
  return SetStatus(GDIP(GdipAddPathLine)(nativePath, x1, y1, x2, y2));
}

TStatus TGPGraphicsPath::AddLines(const TGPPoint* points, int count) {
  if (points == nullptr || count <= 0) return SetStatus(InvalidParameter);
  return SetStatus(GDIP(GdipAddPathLine2I)(nativePath, points, count));
}

TStatus TGPGraphicsPath::AddRectangle(const TGPRectF& rect) {
  return SetStatus(GDIP(GdipAddPathRectangle)(nativePath, rect.X, rect.Y, rect.Width, rect.Height));
}

TStatus TGPGraphicsPath::AddRectangle(const TGPRect& rect) {
  return SetStatus(GDIP(GdipAddPathRectangleI)(nativePath, rect.X, rect.Y, rect.Width, rect.Height));
}

TStatus TGPGraphicsPath::AddArc(const TGPRectF& rect, REAL startAngle, REAL sweepAngle) {
  return AddArc(rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

TStatus TGPGraphicsPath::AddArc(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle) {
  return SetStatus(GDIP(GdipAddPathArc)(nativePath, x, y, width, height, startAngle, sweepAngle));
}

TStatus TGPGraphicsPath::AddEllipse(const TGPRectF& rect) { return AddEllipse(rect.X, rect.Y, rect.Width, rect.Height); }

TStatus TGPGraphicsPath::AddEllipse(REAL x, REAL y, REAL width, REAL height) {
  return SetStatus(GDIP(GdipAddPathEllipse)(nativePath, x, y, width, height));
}

TStatus TGPGraphicsPath::AddPie(const TGPRectF& rect, REAL startAngle, REAL sweepAngle) {
  return AddPie(rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

TStatus TGPGraphicsPath::AddPie(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle) {
  return SetStatus(GDIP(GdipAddPathPie)(nativePath, x, y, width, height, startAngle, sweepAngle));
}

TStatus TGPGraphicsPath::AddPolygon(const TGPPointF* points, int count) {
  if (points == nullptr || count <= 0) return SetStatus(InvalidParameter);
  return SetStatus(GDIP(GdipAddPathPolygon)(nativePath, points, count));
}

TStatus TGPGraphicsPath::AddPolygon(const TGPPoint* points, int count) {
  if (points == nullptr || count <= 0) return SetStatus(InvalidParameter);
  return SetStatus(GDIP(GdipAddPathPolygonI)(nativePath, points, count));
}

TStatus TGPGraphicsPath::AddCurve(const TGPPointF* points, int count) {
  if (points == nullptr || count <= 0) return SetStatus(InvalidParameter);
  return SetStatus(GDIP(GdipAddPathCurve)(nativePath, points, count));
}

TStatus TGPGraphicsPath::AddCurve(const TGPPointF* points, int count, REAL tension) {
  if (points == nullptr || count <= 0) return SetStatus(InvalidParameter);
  return SetStatus(GDIP(GdipAddPathCurve2)(nativePath, points, count, tension));
}

TStatus TGPGraphicsPath::AddCurve(const TGPPointF* points, int count, int offset, int numberOfSegments,
                                  REAL tension) {
  if (points == nullptr || count <= 0 || offset < 0 || numberOfSegments < 0 || offset + numberOfSegments >= count)
    return SetStatus(InvalidParameter);
  return SetStatus(GDIP(GdipAddPathCurve3)(nativePath, points, count, offset, numberOfSegments, tension));
}

TStatus TGPGraphicsPath::AddBezier(const TGPPointF& pt1, const TGPPointF& pt2, const TGPPointF& pt3,
                                   const TGPPointF& pt4) {
  return AddBezier(pt1.X, pt1.Y, pt2.X, pt2.Y, pt3.X, pt3.Y, pt4.X, pt4.Y);
}

TStatus TGPGraphicsPath::AddBezier(REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4, REAL y4) {
  return SetStatus(GDIP(GdipAddPathBezier)(nativePath, x1, y1, x2, y2, x3, y3, x4, y4));
}

TStatus TGPGraphicsPath::AddBezier(const TGPPoint& pt1, const TGPPoint& pt2, const TGPPoint& pt3,
                                   const TGPPoint& pt4) {
  return SetStatus(GDIP(GdipAddPathBezierI)(nativePath, pt1.X, pt1.Y, pt2.X, pt2.Y, pt3.X, pt3.Y, pt4.X, pt4.Y));
}

namespace {
// The text length handed to GDI+: the given one within the text, -1 (to
// the end) as the text's own length.
int TextLength(const QString& string, int length) {
  if (length < 0 || length > string.size()) return int(string.size());
  return length;
}
}  // namespace

TStatus TGPGraphicsPath::AddString(const QString& string, int length, TGPFontFamily* family, int style,
                                   REAL emSize, const TGPPointF& origin, TGPStringFormat* format) {
  const TGPRectF rect{origin.X, origin.Y, 0.0f, 0.0f};
  return AddString(string, length, family, style, emSize, rect, format);
}

TStatus TGPGraphicsPath::AddString(const QString& string, int length, TGPFontFamily* family, int style,
                                   REAL emSize, const TGPRectF& layoutRect, TGPStringFormat* format) {
  return SetStatus(GDIP(GdipAddPathString)(nativePath, reinterpret_cast<const WCHAR*>(string.utf16()),
                                           TextLength(string, length), TNative::Get(family),
                                           style, emSize, &layoutRect, TNative::Get(format)));
}

TStatus TGPGraphicsPath::GetBounds(TGPRectF& bounds, TGPMatrix* matrix, TGPPen* pen) {
  bounds = TGPRectF{};
  const TStatus status = SetStatus(GDIP(GdipGetPathWorldBounds)(
      nativePath, &bounds, TNative::Get(matrix), TNative::Get(pen)));
  if (status != Ok) bounds = TGPRectF{};
  return status;
}

int TGPGraphicsPath::GetPointCount() {
  INT count = 0;
  if (SetStatus(GDIP(GdipGetPointCount)(nativePath, &count)) != Ok) return 0;
  return count;
}

TStatus TGPGraphicsPath::GetPathPoints(TGPPointF* points, int count) {
  if (points == nullptr || count < 0) return SetStatus(InvalidParameter);
  INT held = 0;
  const TStatus counted = GDIP(GdipGetPointCount)(nativePath, &held);
  if (counted != Ok) return SetStatus(counted);
  if (count > held) return SetStatus(InvalidParameter);
  if (count == 0) return Ok;
  return SetStatus(GDIP(GdipGetPathPoints)(nativePath, points, count));
}

TStatus TGPGraphicsPath::GetPathTypes(BYTE* types, int count) {
  if (types == nullptr || count < 0) return SetStatus(InvalidParameter);
  INT held = 0;
  const TStatus counted = GDIP(GdipGetPointCount)(nativePath, &held);
  if (counted != Ok) return SetStatus(counted);
  if (count > held) return SetStatus(InvalidParameter);
  if (count == 0) return Ok;
  return SetStatus(GDIP(GdipGetPathTypes)(nativePath, types, count));
}

TStatus TGPGraphicsPath::GetLastStatus() {
  const TStatus result = lastResult;
  lastResult = Ok;
  return result;
}

// ---------------------------------------------------------------------------
// TGPImage

TF_PUBLISHED(TGPImage, TGdiplusBase) {
  return TPublished<TGPImage>()
      .Integer("Width", [](const TGPImage& i) { return const_cast<TGPImage&>(i).Width(); }, nullptr)
      .Integer("Height", [](const TGPImage& i) { return const_cast<TGPImage&>(i).Height(); }, nullptr);
}

void TGPImage::LoadBytes(const QByteArray& bytes) {
  lastResult = GdiplusLoadImageFromBytes(bytes, &nativeImage);
  if (lastResult != Ok) nativeImage = nullptr;
}

TGPImage::TGPImage(const QString& filename, bool) {
  QFile file(filename);
  if (!file.open(QIODevice::ReadOnly)) {
    lastResult = file.exists() ? AccessDenied : FileNotFound;
    return;
  }
  LoadBytes(file.readAll());
}

TGPImage::TGPImage(TStream* stream, bool) {
  if (stream == nullptr) {
    lastResult = InvalidParameter;
    return;
  }
  const Int64 available = stream->Size() - stream->Position();
  if (available <= 0 || available > Int64(INT32_MAX)) {
    lastResult = InvalidParameter;
    return;
  }
  QByteArray bytes(qsizetype(available), Qt::Uninitialized);
  bytes.resize(qsizetype(stream->Read(bytes.data(), available)));
  LoadBytes(bytes);
}

TGPImage::TGPImage(const QByteArray& bytes, bool) { LoadBytes(bytes); }

TGPImage::TGPImage(GpImage* image, TStatus status) : nativeImage(image), lastResult(status) {}

TGPImage::~TGPImage() {
  if (nativeImage) GDIP(GdipDisposeImage)(nativeImage);
}

TStatus TGPImage::SetStatus(TStatus status) {
  if (status != Ok) lastResult = status;
  return status;
}

TStatus TGPImage::Save(const QString& filename, const CLSID& clsidEncoder, const EncoderParameters* encoderParams) {
  if (nativeImage == nullptr) return SetStatus(InvalidParameter);
  QByteArray bytes;
  const TStatus status = GdiplusSaveImageToBytes(nativeImage, clsidEncoder, encoderParams, bytes);
  if (status != Ok) return SetStatus(status);
  QFile file(filename);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return SetStatus(Win32Error);
  if (file.write(bytes) != bytes.size()) return SetStatus(Win32Error);
  return Ok;
}

TStatus TGPImage::Save(TStream* stream, const CLSID& clsidEncoder, const EncoderParameters* encoderParams) {
  if (nativeImage == nullptr || stream == nullptr) return SetStatus(InvalidParameter);
  QByteArray bytes;
  const TStatus status = GdiplusSaveImageToBytes(nativeImage, clsidEncoder, encoderParams, bytes);
  if (status != Ok) return SetStatus(status);
  try {
    stream->WriteBuffer(bytes.constData(), bytes.size());
  } catch (const Exception&) {
    return SetStatus(Win32Error);
  }
  return Ok;
}

TStatus TGPImage::SaveAdd(const EncoderParameters* encoderParams) {
  return SetStatus(GDIP(GdipSaveAdd)(nativeImage, encoderParams));
}

namespace {
// {b96b3caX-0728-11d3-9d7b-0000f81ef32e}: the published image formats.
bool IsImageFormat(const GUID& g, uint32_t data1) {
  static const uint8_t tail[8] = {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E};
  return g.Data1 == data1 && g.Data2 == 0x0728 && g.Data3 == 0x11D3 && std::memcmp(g.Data4, tail, 8) == 0;
}

const GUID kFrameDimensionTime = {0x6AEDBD6D, 0x3FB5, 0x418A, {0x83, 0xA6, 0x7F, 0x45, 0x22, 0x9D, 0xC8, 0x72}};
const GUID kFrameDimensionPage = {0x7462DC86, 0x6180, 0x4C7E, {0x8E, 0x3F, 0xEE, 0x73, 0x33, 0xA7, 0xA4, 0x83}};
}  // namespace

TGPImageFormat TGPImage::GetFormat() {
  GUID format{};
  if (SetStatus(GDIP(GdipGetImageRawFormat)(nativeImage, &format)) != Ok) return ifUndefined;
  struct TRow {
    uint32_t Data1;
    TGPImageFormat Format;
  };
  static const TRow rows[] = {{0xB96B3CAA, ifMemoryBMP}, {0xB96B3CAB, ifBMP},  {0xB96B3CAC, ifEMF},
                              {0xB96B3CAD, ifWMF},       {0xB96B3CAE, ifJPEG}, {0xB96B3CAF, ifPNG},
                              {0xB96B3CB0, ifGIF},       {0xB96B3CB1, ifTIFF}, {0xB96B3CB2, ifEXIF},
                              {0xB96B3CB5, ifIcon}};
  for (const TRow& row : rows)
    if (IsImageFormat(format, row.Data1)) return row.Format;
  return ifUndefined;
}

int TGPImage::GetPixelFormat() {
  PixelFormat format = 0;
  if (SetStatus(GDIP(GdipGetImagePixelFormat)(nativeImage, &format)) != Ok) return 0;
  return format;
}

int TGPImage::GetPixelDepth() { return (GetPixelFormat() >> 8) & 0xFF; }
bool TGPImage::HasPalette() { return (GetPixelFormat() & 0x00010000) != 0; }
bool TGPImage::HasAlphaChannel() { return (GetPixelFormat() & 0x00040000) != 0; }

TGPImage* TGPImage::GetThumbnailImage(UINT thumbWidth, UINT thumbHeight) {
  GpImage* thumb = nullptr;
  const TStatus status =
      SetStatus(GDIP(GdipGetImageThumbnail)(nativeImage, thumbWidth, thumbHeight, &thumb, nullptr, nullptr));
  return new TGPImage(status == Ok ? thumb : nullptr, status);
}

UINT TGPImage::GetWidth() {
  UINT width = 0;
  if (SetStatus(GDIP(GdipGetImageWidth)(nativeImage, &width)) != Ok) return 0;
  return width;
}

UINT TGPImage::GetHeight() {
  UINT height = 0;
  if (SetStatus(GDIP(GdipGetImageHeight)(nativeImage, &height)) != Ok) return 0;
  return height;
}

TStatus TGPImage::RotateFlip(RotateFlipType rotateFlipType) {
  return SetStatus(GDIP(GdipImageRotateFlip)(nativeImage, rotateFlipType));
}

REAL TGPImage::GetHorizontalResolution() {
  REAL dpi = 0;
  if (SetStatus(GDIP(GdipGetImageHorizontalResolution)(nativeImage, &dpi)) != Ok) return 0;
  return dpi;
}

REAL TGPImage::GetVerticalResolution() {
  REAL dpi = 0;
  if (SetStatus(GDIP(GdipGetImageVerticalResolution)(nativeImage, &dpi)) != Ok) return 0;
  return dpi;
}

void TGPImage::GetPixelSize(int& width, int& height) {
  width = int(GetWidth());
  height = int(GetHeight());
  const TGPImageFormat format = GetFormat();
  if (format != ifWMF && format != ifEMF) return;
  const REAL dpiX = GetHorizontalResolution(), dpiY = GetVerticalResolution();
  if (dpiX > 0) width = RoundEven(double(width) * 96.0 / dpiX);
  if (dpiY > 0) height = RoundEven(double(height) * 96.0 / dpiY);
}

UINT TGPImage::GetFrameCount() {
  UINT dimensions = 0;
  if (SetStatus(GDIP(GdipImageGetFrameDimensionsCount)(nativeImage, &dimensions)) != Ok) return 0;
  if (dimensions == 0) return 1;
  GUID list[8];
  dimensions = std::min<UINT>(dimensions, 8);
  if (SetStatus(GDIP(GdipImageGetFrameDimensionsList)(nativeImage, list, dimensions)) != Ok) return 0;
  UINT count = 0;
  if (SetStatus(GDIP(GdipImageGetFrameCount)(nativeImage, &list[0], &count)) != Ok) return 0;
  return count;
}

TStatus TGPImage::SelectActiveFrame(UINT frameIndex) {
  UINT dimensions = 0;
  TStatus status = SetStatus(GDIP(GdipImageGetFrameDimensionsCount)(nativeImage, &dimensions));
  if (status != Ok) return status;
  GUID dimension = kFrameDimensionPage;
  if (dimensions > 0) {
    GUID list[8];
    dimensions = std::min<UINT>(dimensions, 8);
    status = SetStatus(GDIP(GdipImageGetFrameDimensionsList)(nativeImage, list, dimensions));
    if (status != Ok) return status;
    dimension = list[0];
  }
  (void)kFrameDimensionTime;
  return SetStatus(GDIP(GdipImageSelectActiveFrame)(nativeImage, &dimension, frameIndex));
}

TStatus TGPImage::GetLastStatus() {
  const TStatus result = lastResult;
  lastResult = Ok;
  return result;
}

// ---------------------------------------------------------------------------
// TGPBitmap

TF_PUBLISHED(TGPBitmap, TGPImage) { return TPublished<TGPBitmap>(); }

TGPBitmap::TGPBitmap(TStream* stream, bool useEmbeddedColorManagement)
    : TGPImage(stream, useEmbeddedColorManagement) {}

TGPBitmap::TGPBitmap(const QByteArray& bytes, bool useEmbeddedColorManagement)
    : TGPImage(bytes, useEmbeddedColorManagement) {}

TGPBitmap::TGPBitmap(int width, int height, int format) {
  GpBitmap* bitmap = nullptr;
  lastResult = GDIP(GdipCreateBitmapFromScan0)(width, height, 0, format, nullptr, &bitmap);
  nativeImage = lastResult == Ok ? bitmap : nullptr;
}

TGPBitmap::TGPBitmap(GpBitmap* nativeBitmap) { nativeImage = nativeBitmap; }

TGPBitmap* TGPBitmap::FromStream(TStream* stream, bool useEmbeddedColorManagement) {
  return new TGPBitmap(stream, useEmbeddedColorManagement);
}

TStatus TGPBitmap::GetPixel(int x, int y, ARGB& color) {
  color = 0;
  const TStatus status = SetStatus(GDIP(GdipBitmapGetPixel)(nativeImage, x, y, &color));
  if (status != Ok) color = 0;
  return status;
}

TStatus TGPBitmap::SetPixel(int x, int y, ARGB color) {
  return SetStatus(GDIP(GdipBitmapSetPixel)(nativeImage, x, y, color));
}

TStatus TGPBitmap::GetHBITMAP(ARGB colorBackground, HBITMAP& hbmReturn) {
  hbmReturn = nullptr;
  const UINT width = GetWidth(), height = GetHeight();
  if (width == 0 || height == 0) return SetStatus(lastResult != Ok ? lastResult : InvalidParameter);
  QImage image(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) return SetStatus(OutOfMemory);
  image.fill(QColor::fromRgba(colorBackground).rgba());
  GpBitmap* target = nullptr;
  TStatus status = GDIP(GdipCreateBitmapFromScan0)(int(width), int(height), int(image.bytesPerLine()),
                                                   PixelFormat32bppPARGB, image.bits(), &target);
  if (status != Ok) return SetStatus(status);
  GpGraphics* graphics = nullptr;
  status = GDIP(GdipGetImageGraphicsContext)(target, &graphics);
  if (status == Ok) {
    status = GDIP(GdipDrawImageRectI)(graphics, nativeImage, 0, 0, int(width), int(height));
    GDIP(GdipDeleteGraphics)(graphics);
  }
  GDIP(GdipDisposeImage)(target);
  if (status != Ok) return SetStatus(status);
  hbmReturn = CreateBitmapFromImage(image);
  return hbmReturn ? Ok : SetStatus(OutOfMemory);
}

// ---------------------------------------------------------------------------
// TGPMatrix

TF_PUBLISHED(TGPMatrix, TGdiplusBase) { return TPublished<TGPMatrix>(); }

TGPMatrix::TGPMatrix() { lastResult = GDIP(GdipCreateMatrix)(&nativeMatrix); }

TGPMatrix::TGPMatrix(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy) {
  lastResult = GDIP(GdipCreateMatrix2)(m11, m12, m21, m22, dx, dy, &nativeMatrix);
}

TGPMatrix::TGPMatrix(const TGPRectF& rect, const TGPPointF* dstplg) {
  lastResult = dstplg ? GDIP(GdipCreateMatrix3)(&rect, dstplg, &nativeMatrix) : InvalidParameter;
}

TGPMatrix::TGPMatrix(const TGPRect& rect, const TGPPoint* dstplg) {
  lastResult = dstplg ? GDIP(GdipCreateMatrix3I)(&rect, dstplg, &nativeMatrix) : InvalidParameter;
}

TGPMatrix::TGPMatrix(GpMatrix* matrix, TStatus status) : nativeMatrix(matrix), lastResult(status) {}

TGPMatrix::~TGPMatrix() {
  if (nativeMatrix) GDIP(GdipDeleteMatrix)(nativeMatrix);
}

TStatus TGPMatrix::SetStatus(TStatus status) {
  if (status != Ok) lastResult = status;
  return status;
}

TGPMatrix* TGPMatrix::Clone() {
  GpMatrix* clone = nullptr;
  if (SetStatus(GDIP(GdipCloneMatrix)(nativeMatrix, &clone)) != Ok) {
    if (clone) GDIP(GdipDeleteMatrix)(clone);
    return nullptr;
  }
  return new TGPMatrix(clone, lastResult);
}

TStatus TGPMatrix::GetElements(TMatrixArray& m) {
  m = TMatrixArray{};
  const TStatus status = SetStatus(GDIP(GdipGetMatrixElements)(nativeMatrix, m.data()));
  if (status != Ok) m = TMatrixArray{};
  return status;
}

TStatus TGPMatrix::SetElements(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy) {
  return SetStatus(GDIP(GdipSetMatrixElements)(nativeMatrix, m11, m12, m21, m22, dx, dy));
}

REAL TGPMatrix::OffsetX() {
  TMatrixArray m;
  return GetElements(m) == Ok ? m[4] : 0.0f;
}

REAL TGPMatrix::OffsetY() {
  TMatrixArray m;
  return GetElements(m) == Ok ? m[5] : 0.0f;
}

TStatus TGPMatrix::Reset() { return SetStatus(GDIP(GdipSetMatrixElements)(nativeMatrix, 1, 0, 0, 1, 0, 0)); }

TStatus TGPMatrix::Multiply(TGPMatrix* matrix, MatrixOrder order) {
  return SetStatus(GDIP(GdipMultiplyMatrix)(nativeMatrix, TNative::Get(matrix), order));
}

TStatus TGPMatrix::Translate(REAL offsetX, REAL offsetY, MatrixOrder order) {
  return SetStatus(GDIP(GdipTranslateMatrix)(nativeMatrix, offsetX, offsetY, order));
}

TStatus TGPMatrix::Scale(REAL scaleX, REAL scaleY, MatrixOrder order) {
  return SetStatus(GDIP(GdipScaleMatrix)(nativeMatrix, scaleX, scaleY, order));
}

TStatus TGPMatrix::Rotate(REAL angle, MatrixOrder order) {
  return SetStatus(GDIP(GdipRotateMatrix)(nativeMatrix, angle, order));
}

TStatus TGPMatrix::RotateAt(REAL angle, const TGPPointF& center, MatrixOrder order) {
  TStatus status;
  if (order == MatrixOrderPrepend) {
    status = SetStatus(GDIP(GdipTranslateMatrix)(nativeMatrix, center.X, center.Y, order));
    if (status == Ok) status = SetStatus(GDIP(GdipRotateMatrix)(nativeMatrix, angle, order));
    if (status == Ok) status = SetStatus(GDIP(GdipTranslateMatrix)(nativeMatrix, -center.X, -center.Y, order));
  } else {
    status = SetStatus(GDIP(GdipTranslateMatrix)(nativeMatrix, -center.X, -center.Y, order));
    if (status == Ok) status = SetStatus(GDIP(GdipRotateMatrix)(nativeMatrix, angle, order));
    if (status == Ok) status = SetStatus(GDIP(GdipTranslateMatrix)(nativeMatrix, center.X, center.Y, order));
  }
  return status;
}

TStatus TGPMatrix::Shear(REAL shearX, REAL shearY, MatrixOrder order) {
  return SetStatus(GDIP(GdipShearMatrix)(nativeMatrix, shearX, shearY, order));
}

TStatus TGPMatrix::Invert() { return SetStatus(GDIP(GdipInvertMatrix)(nativeMatrix)); }

TStatus TGPMatrix::TransformPoints(TGPPointF* pts, int count) {
  if (pts == nullptr || count <= 0) return SetStatus(InvalidParameter);
  return SetStatus(GDIP(GdipTransformMatrixPoints)(nativeMatrix, pts, count));
}

TStatus TGPMatrix::TransformPoints(TGPPoint* pts, int count) {
  if (pts == nullptr || count <= 0) return SetStatus(InvalidParameter);
  return SetStatus(GDIP(GdipTransformMatrixPointsI)(nativeMatrix, pts, count));
}

TStatus TGPMatrix::TransformVectors(TGPPointF* pts, int count) {
  if (pts == nullptr || count <= 0) return SetStatus(InvalidParameter);
  return SetStatus(GDIP(GdipVectorTransformMatrixPoints)(nativeMatrix, pts, count));
}

TStatus TGPMatrix::TransformVectors(TGPPoint* pts, int count) {
  if (pts == nullptr || count <= 0) return SetStatus(InvalidParameter);
  return SetStatus(GDIP(GdipVectorTransformMatrixPointsI)(nativeMatrix, pts, count));
}

bool TGPMatrix::IsInvertible() {
  BOOL result = FALSE;
  if (SetStatus(GDIP(GdipIsMatrixInvertible)(nativeMatrix, &result)) != Ok) return false;
  return result != FALSE;
}

bool TGPMatrix::IsIdentity() {
  BOOL result = FALSE;
  if (SetStatus(GDIP(GdipIsMatrixIdentity)(nativeMatrix, &result)) != Ok) return false;
  return result != FALSE;
}

TStatus TGPMatrix::GetLastStatus() {
  const TStatus result = lastResult;
  lastResult = Ok;
  return result;
}

}  // namespace KitGDIP
