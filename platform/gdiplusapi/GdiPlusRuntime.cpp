#include "platform/gdiplusapi/GdiPlusRuntime.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPolygonF>
#include <QRegion>
#include <QResource>
#include <QString>

#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/gdiplusapi/LogCategories.h"

namespace {

// ---------------------------------------------------------------------------
// Library and the functions the runtime calls itself

template <class F>
F Real(const char* name) {
  void* library = GdiplusLibrary();
  return library ? reinterpret_cast<F>(dlsym(library, name)) : nullptr;
}

// ---------------------------------------------------------------------------
// Shared start-up

struct StartupState {
  std::mutex lock;
  std::set<ULONG_PTR> tokens;  // live tokens handed out
  ULONG_PTR nextToken = 1;
  bool libraryStarted = false;
  ULONG_PTR libraryToken = 0;
};

StartupState& Startup() {
  static StartupState* state = new StartupState;  // lives to the end of the process
  return *state;
}

Status SharedStartup(ULONG_PTR* token, const GdiplusStartupInput* input,
                     GdiplusStartupOutput* output) {
  return GdiplusStartupShared(token, input, output);
}

void SharedShutdown(ULONG_PTR token) { GdiplusShutdownShared(token); }

// ---------------------------------------------------------------------------
// Text calls under the text lock

template <class Tag, class F>
struct TextLocked;
template <class Tag, class R, class... A>
struct TextLocked<Tag, R (*)(A...)> {
  static inline R (*real)(A...) = nullptr;
  static R Call(A... args) {
    std::lock_guard guard(GdiplusTextLock());
    return real(args...);
  }
};

template <class Tag, class F>
void* LockedProc(const char* name) {
  using Wrapper = TextLocked<Tag, F>;
  static const bool bound = (Wrapper::real = Real<F>(name), true);  // once, thread-safe
  (void)bound;
  return Wrapper::real ? reinterpret_cast<void*>(&Wrapper::Call) : nullptr;
}

// ---------------------------------------------------------------------------
// Functions libgdiplus does not export

Status RegionBoundsI(GpRegion* region, GpGraphics* graphics, GpRect* rect) {
  if (!rect) return InvalidParameter;
  auto bounds = Real<PFN_GdipGetRegionBounds>("GdipGetRegionBounds");
  if (!bounds) return NotImplemented;
  GpRectF r{};
  Status status = bounds(region, graphics, &r);
  if (status != Ok) return status;
  // The integer bounds cover the real ones.
  const double left = std::floor(r.X), top = std::floor(r.Y);
  const double right = std::ceil(double(r.X) + r.Width), bottom = std::ceil(double(r.Y) + r.Height);
  if (left < INT32_MIN || top < INT32_MIN || right - left > INT32_MAX || bottom - top > INT32_MAX)
    return ValueOverflow;
  *rect = GpRect{INT(left), INT(top), INT(right - left), INT(bottom - top)};
  return Ok;
}

Status PathIterIsValid(GpPathIterator* iterator, BOOL* valid) {
  if (!iterator || !valid) return InvalidParameter;
  auto count = Real<PFN_GdipPathIterGetCount>("GdipPathIterGetCount");
  if (!count) return NotImplemented;
  INT n = 0;
  *valid = count(iterator, &n) == Ok ? TRUE : FALSE;
  return Ok;
}

Status FontCollectionEnumerable(GpFontCollection* collection, GpGraphics*, INT* numFound) {
  auto count = Real<PFN_GdipGetFontCollectionFamilyCount>("GdipGetFontCollectionFamilyCount");
  if (!count) return NotImplemented;
  return count(collection, numFound);
}

Status FontCollectionEnumerate(GpFontCollection* collection, INT numSought,
                               GpFontFamily** families, INT* numFound, GpGraphics*) {
  auto list = Real<PFN_GdipGetFontCollectionFamilyList>("GdipGetFontCollectionFamilyList");
  if (!list) return NotImplemented;
  return list(collection, numSought, families, numFound);
}

}  // namespace

// A cached bitmap keeps its own copy of the bitmap and draws it unscaled.
struct GpCachedBitmap {
  GpImage* image = nullptr;
};

namespace {

Status CreateCachedBitmap(GpBitmap* bitmap, GpGraphics* graphics, GpCachedBitmap** cached) {
  if (!bitmap || !graphics || !cached) return InvalidParameter;
  auto clone = Real<PFN_GdipCloneImage>("GdipCloneImage");
  if (!clone) return NotImplemented;
  GpImage* copy = nullptr;
  Status status = clone(bitmap, &copy);
  if (status != Ok) return status;
  *cached = new GpCachedBitmap{copy};
  return Ok;
}

Status DeleteCachedBitmap(GpCachedBitmap* cached) {
  if (!cached) return InvalidParameter;
  std::unique_ptr<GpCachedBitmap> owned(cached);
  auto dispose = Real<PFN_GdipDisposeImage>("GdipDisposeImage");
  return dispose ? dispose(owned->image) : NotImplemented;
}

Status DrawCachedBitmap(GpGraphics* graphics, GpCachedBitmap* cached, INT x, INT y) {
  if (!graphics || !cached) return InvalidParameter;
  auto draw = Real<PFN_GdipDrawImageI>("GdipDrawImageI");
  return draw ? draw(graphics, cached->image, x, y) : NotImplemented;
}

// ---------------------------------------------------------------------------
// Bitmap locks
//
// libgdiplus writes its own bookkeeping past the end of the documented
// bitmap-data record when it locks a bitmap and reads it back when it
// unlocks. Every lock therefore goes through a padded record of ours; the
// caller sees the documented part.

struct PaddedLock {
  alignas(16) unsigned char bytes[256];
};

struct LockTable {
  std::mutex lock;
  std::map<std::pair<GpBitmap*, BitmapData*>, std::unique_ptr<PaddedLock>> locks;
};

LockTable& Locks() {
  static LockTable* table = new LockTable;  // lives to the end of the process
  return *table;
}

Status LockBits(GpBitmap* bitmap, const GpRect* rect, UINT flags, PixelFormat format,
                BitmapData* data) {
  if (!bitmap || !data) return InvalidParameter;
  auto real = Real<PFN_GdipBitmapLockBits>("GdipBitmapLockBits");
  if (!real) return NotImplemented;
  LockTable& t = Locks();
  std::lock_guard guard(t.lock);
  if (t.locks.count({bitmap, data})) return WrongState;
  auto padded = std::make_unique<PaddedLock>();
  std::memset(padded->bytes, 0, sizeof padded->bytes);
  std::memcpy(padded->bytes, data, sizeof(BitmapData));  // a caller's own buffer, if any
  Status status = real(bitmap, rect, flags, format, reinterpret_cast<BitmapData*>(padded->bytes));
  if (status != Ok) return status;
  std::memcpy(data, padded->bytes, sizeof(BitmapData));
  t.locks[{bitmap, data}] = std::move(padded);
  return Ok;
}

Status UnlockBits(GpBitmap* bitmap, BitmapData* data) {
  if (!bitmap || !data) return InvalidParameter;
  auto real = Real<PFN_GdipBitmapUnlockBits>("GdipBitmapUnlockBits");
  if (!real) return NotImplemented;
  LockTable& t = Locks();
  std::lock_guard guard(t.lock);
  auto it = t.locks.find({bitmap, data});
  if (it == t.locks.end()) return WrongState;  // not locked with this record
  Status status = real(bitmap, reinterpret_cast<BitmapData*>(it->second->bytes));
  t.locks.erase(it);
  return status;
}

// ---------------------------------------------------------------------------
// Coordinate-space transforms (libgdiplus answers Ok without transforming)

struct Affine {
  double m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;
  // This transform followed by next.
  Affine Then(const Affine& n) const {
    return Affine{m11 * n.m11 + m12 * n.m21, m11 * n.m12 + m12 * n.m22,
                  m21 * n.m11 + m22 * n.m21, m21 * n.m12 + m22 * n.m22,
                  dx * n.m11 + dy * n.m21 + n.dx, dx * n.m12 + dy * n.m22 + n.dy};
  }
  bool Invert() {
    const double det = m11 * m22 - m12 * m21;
    if (det == 0 || !std::isfinite(det)) return false;
    const Affine a = *this;
    m11 = a.m22 / det;
    m12 = -a.m12 / det;
    m21 = -a.m21 / det;
    m22 = a.m11 / det;
    dx = (a.m21 * a.dy - a.m22 * a.dx) / det;
    dy = (a.m12 * a.dx - a.m11 * a.dy) / det;
    return true;
  }
  void Apply(double& x, double& y) const {
    const double nx = x * m11 + y * m21 + dx;
    y = x * m12 + y * m22 + dy;
    x = nx;
  }
};

// Device units per page unit for a resolution of dpi.
double UnitsToDevice(Unit unit, double dpi) {
  switch (unit) {
    case UnitPoint: return dpi / 72.0;
    case UnitInch: return dpi;
    case UnitDocument: return dpi / 300.0;
    case UnitMillimeter: return dpi / 25.4;
    default: return 1.0;  // world, display and pixel units are device pixels
  }
}

// The transform from one coordinate space of a graphics to another.
Status SpaceTransform(GpGraphics* graphics, CoordinateSpace dest, CoordinateSpace source,
                      Affine& result) {
  if (!graphics) return InvalidParameter;
  if (dest < CoordinateSpaceWorld || dest > CoordinateSpaceDevice ||
      source < CoordinateSpaceWorld || source > CoordinateSpaceDevice)
    return InvalidParameter;
  auto createMatrix = Real<PFN_GdipCreateMatrix>("GdipCreateMatrix");
  auto getWorld = Real<PFN_GdipGetWorldTransform>("GdipGetWorldTransform");
  auto elements = Real<PFN_GdipGetMatrixElements>("GdipGetMatrixElements");
  auto deleteMatrix = Real<PFN_GdipDeleteMatrix>("GdipDeleteMatrix");
  auto pageUnit = Real<PFN_GdipGetPageUnit>("GdipGetPageUnit");
  auto pageScale = Real<PFN_GdipGetPageScale>("GdipGetPageScale");
  auto dpiX = Real<PFN_GdipGetDpiX>("GdipGetDpiX");
  auto dpiY = Real<PFN_GdipGetDpiY>("GdipGetDpiY");
  if (!createMatrix || !getWorld || !elements || !deleteMatrix || !pageUnit || !pageScale ||
      !dpiX || !dpiY)
    return NotImplemented;

  GpMatrix* matrix = nullptr;
  Status status = createMatrix(&matrix);
  if (status != Ok) return status;
  REAL e[6] = {1, 0, 0, 1, 0, 0};
  status = getWorld(graphics, matrix);
  if (status == Ok) status = elements(matrix, e);
  deleteMatrix(matrix);
  if (status != Ok) return status;
  Unit unit = UnitPixel;
  REAL scale = 1, horizontal = 96, vertical = 96;
  if ((status = pageUnit(graphics, &unit)) != Ok) return status;
  if ((status = pageScale(graphics, &scale)) != Ok) return status;
  if ((status = dpiX(graphics, &horizontal)) != Ok) return status;
  if ((status = dpiY(graphics, &vertical)) != Ok) return status;

  const Affine worldToPage{e[0], e[1], e[2], e[3], e[4], e[5]};
  const Affine pageToDevice{UnitsToDevice(unit, horizontal) * scale, 0, 0,
                            UnitsToDevice(unit, vertical) * scale, 0, 0};
  const Affine steps[2] = {worldToPage, pageToDevice};
  const int from = std::min<int>(dest, source), to = std::max<int>(dest, source);
  Affine forward;
  for (int i = from; i < to; ++i) forward = forward.Then(steps[i]);
  if (source > dest && !forward.Invert()) return InvalidParameter;
  result = forward;
  return Ok;
}

Status TransformPoints(GpGraphics* graphics, CoordinateSpace dest, CoordinateSpace source,
                       GpPointF* points, INT count) {
  if (!points || count <= 0) return InvalidParameter;
  Affine t;
  Status status = SpaceTransform(graphics, dest, source, t);
  if (status != Ok) return status;
  for (INT i = 0; i < count; ++i) {
    double x = points[i].X, y = points[i].Y;
    t.Apply(x, y);
    points[i] = GpPointF{REAL(x), REAL(y)};
  }
  return Ok;
}

INT RoundCoordinate(double v) {
  const double r = std::floor(v + 0.5);
  if (r >= double(INT32_MAX)) return INT32_MAX;
  if (r <= double(INT32_MIN)) return INT32_MIN;
  return INT(r);
}

Status TransformPointsI(GpGraphics* graphics, CoordinateSpace dest, CoordinateSpace source,
                        GpPoint* points, INT count) {
  if (!points || count <= 0) return InvalidParameter;
  Affine t;
  Status status = SpaceTransform(graphics, dest, source, t);
  if (status != Ok) return status;
  for (INT i = 0; i < count; ++i) {
    double x = points[i].X, y = points[i].Y;
    t.Apply(x, y);
    points[i] = GpPoint{RoundCoordinate(x), RoundCoordinate(y)};
  }
  return Ok;
}

// ---------------------------------------------------------------------------
// Image streams over memory
//
// The delegates of the library's stream functions carry no context, so the
// stream they work on is the calling thread's current one.

using GetHeaderDelegate = int (*)(BYTE*, int);
using GetBytesDelegate = int (*)(BYTE*, int, BOOL);
using PutBytesDelegate = int (*)(BYTE*, int);
using SeekDelegate = long (*)(int, int);
using CloseDelegate = void (*)();
using SizeDelegate = long (*)();
using PFN_LoadImageFromDelegate = Status (*)(GetHeaderDelegate, GetBytesDelegate,
                                             PutBytesDelegate, SeekDelegate, CloseDelegate,
                                             SizeDelegate, GpImage**);
using PFN_SaveImageToDelegate = Status (*)(GpImage*, GetBytesDelegate, PutBytesDelegate,
                                           SeekDelegate, CloseDelegate, SizeDelegate,
                                           const CLSID*, const EncoderParameters*);

struct MemoryStream {
  QByteArray* bytes;
  qsizetype position = 0;
};

thread_local MemoryStream* currentStream = nullptr;

// Makes a stream the thread's current one for the duration of a call.
class CurrentStream {
 public:
  explicit CurrentStream(MemoryStream* stream) : previous_(currentStream) {
    currentStream = stream;
  }
  ~CurrentStream() { currentStream = previous_; }
  CurrentStream(const CurrentStream&) = delete;
  CurrentStream& operator=(const CurrentStream&) = delete;

 private:
  MemoryStream* previous_;
};

int StreamRead(BYTE* buffer, int size, qsizetype from) {
  MemoryStream* s = currentStream;
  if (!s || !buffer || size <= 0 || from < 0 || from >= s->bytes->size()) return 0;
  const qsizetype n = std::min<qsizetype>(size, s->bytes->size() - from);
  std::memcpy(buffer, s->bytes->constData() + from, size_t(n));
  return int(n);
}

// The header is read from the start and served again by later reads.
int StreamGetHeader(BYTE* buffer, int size) { return StreamRead(buffer, size, 0); }

int StreamGetBytes(BYTE* buffer, int size, BOOL peek) {
  MemoryStream* s = currentStream;
  if (!s) return 0;
  const int n = StreamRead(buffer, size, s->position);
  if (!peek) s->position += n;
  return n;
}

int StreamPutBytes(BYTE* buffer, int size) {
  MemoryStream* s = currentStream;
  if (!s || !buffer || size <= 0) return 0;
  const qsizetype end = s->position + size;
  if (end > s->bytes->size()) s->bytes->resize(end);
  std::memcpy(s->bytes->data() + s->position, buffer, size_t(size));
  s->position = end;
  return size;
}

long StreamSeek(int offset, int whence) {
  MemoryStream* s = currentStream;
  if (!s) return -1;
  qsizetype base = 0;
  if (whence == 1) base = s->position;
  else if (whence == 2) base = s->bytes->size();
  const qsizetype target = base + offset;
  if (target < 0) return -1;
  s->position = target;
  return long(target);
}

void StreamClose() {}

long StreamSize() { return currentStream ? long(currentStream->bytes->size()) : 0; }

// ---------------------------------------------------------------------------
// Graphics over a device context
//
// A device context of the layer draws into a QImage; its GDI+ graphics is a
// bitmap over the same pixels, with the DC's origin and clip applied. The
// bitmap belongs to the graphics and goes with it.

struct DcSurface {
  GpBitmap* bitmap = nullptr;  // over the DC's pixels, from (x, y) on
  QImage* image = nullptr;
  int x = 0, y = 0;
  int dpi = 96;
  HDC lent = nullptr;         // the DC handed out by GdipGetDC, if any
  HDC libraryDc = nullptr;    // the library's handle behind it
};

struct DcGraphicsTable {
  std::mutex lock;
  std::unordered_map<GpGraphics*, DcSurface> surfaces;
};

DcGraphicsTable& DcGraphics() {
  static DcGraphicsTable* table = new DcGraphicsTable;  // lives to the end of the process
  return *table;
}

// The DC's clip in device pixels, relative to (dx, dy), as a region of the
// graphics; null when the DC has no clip.
Status DcClip(HDC hdc, int dx, int dy, GpRegion** region) {
  *region = nullptr;
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  if (!rgn) return OutOfMemory;
  const int kind = GetClipRgn(hdc, rgn);
  const QRegion area = kind == 1 ? GetRegionArea(rgn) : QRegion();
  DeleteObject(rgn);
  if (kind != 1) return Ok;
  auto create = Real<PFN_GdipCreateRegion>("GdipCreateRegion");
  auto empty = Real<PFN_GdipSetEmpty>("GdipSetEmpty");
  auto combine = Real<PFN_GdipCombineRegionRectI>("GdipCombineRegionRectI");
  auto remove = Real<PFN_GdipDeleteRegion>("GdipDeleteRegion");
  if (!create || !empty || !combine || !remove) return NotImplemented;
  GpRegion* result = nullptr;
  Status status = create(&result);
  if (status == Ok) status = empty(result);
  for (const QRect& r : area) {
    if (status != Ok) break;
    const GpRect rect{r.x() - dx, r.y() - dy, r.width(), r.height()};
    status = combine(result, &rect, CombineModeUnion);
  }
  if (status != Ok) {
    if (result) remove(result);
    return status;
  }
  *region = result;
  return Ok;
}

Status CreateFromHDC(HDC hdc, GpGraphics** graphics) {
  if (!graphics) return InvalidParameter;
  *graphics = nullptr;
  QImage* image = GetDCImage(hdc);
  if (!image || image->isNull()) return InvalidParameter;
  PixelFormat format = 0;
  switch (image->format()) {
    case QImage::Format_ARGB32_Premultiplied: format = PixelFormat32bppPARGB; break;
    case QImage::Format_RGB32: format = PixelFormat32bppRGB; break;
    default: return InvalidParameter;
  }
  auto fromScan0 = Real<PFN_GdipCreateBitmapFromScan0>("GdipCreateBitmapFromScan0");
  auto context = Real<PFN_GdipGetImageGraphicsContext>("GdipGetImageGraphicsContext");
  auto dispose = Real<PFN_GdipDisposeImage>("GdipDisposeImage");
  auto destroy = Real<PFN_GdipDeleteGraphics>("GdipDeleteGraphics");
  auto setClip = Real<PFN_GdipSetClipRegion>("GdipSetClipRegion");
  auto removeRegion = Real<PFN_GdipDeleteRegion>("GdipDeleteRegion");
  auto translate = Real<PFN_GdipTranslateWorldTransform>("GdipTranslateWorldTransform");
  if (!fromScan0 || !context || !dispose || !destroy || !setClip || !removeRegion || !translate)
    return NotImplemented;

  if (GetMapMode(hdc) != MM_TEXT)
    LogNotCovered(lcGdiPlus(), QStringLiteral("GdipCreateFromHDC: the DC's mapping mode (its origin applies, its "
                                              "scale does not)"));
  // The DC's logical origin in device pixels. An origin inside the image
  // becomes the bitmap's first pixel; any other one a world translation.
  POINT viewport{}, window{};
  GetViewportOrgEx(hdc, &viewport);
  GetWindowOrgEx(hdc, &window);
  const int ox = viewport.x - window.x, oy = viewport.y - window.y;
  const bool inside = ox >= 0 && oy >= 0 && ox < image->width() && oy < image->height();
  const int bx = inside ? ox : 0, by = inside ? oy : 0;
  const int stride = int(image->bytesPerLine());
  BYTE* bits = image->bits() + qsizetype(by) * stride + qsizetype(bx) * 4;

  GpBitmap* bitmap = nullptr;
  Status status = fromScan0(image->width() - bx, image->height() - by, stride, format, bits,
                            &bitmap);
  if (status != Ok) return status;
  GpGraphics* result = nullptr;
  status = context(bitmap, &result);
  GpRegion* clip = nullptr;
  if (status == Ok) status = DcClip(hdc, bx, by, &clip);
  if (status == Ok && clip) status = setClip(result, clip, CombineModeReplace);
  if (clip) removeRegion(clip);
  if (status == Ok && !inside && (ox != 0 || oy != 0))
    status = translate(result, REAL(ox), REAL(oy), MatrixOrderAppend);
  if (status != Ok) {
    if (result) destroy(result);
    dispose(bitmap);
    return status;
  }
  DcGraphicsTable& t = DcGraphics();
  std::lock_guard guard(t.lock);
  t.surfaces[result] = DcSurface{bitmap, image, bx, by, std::max(1, GetDeviceCaps(hdc, LOGPIXELSX))};
  *graphics = result;
  return Ok;
}

Status CreateFromHDC2(HDC hdc, HANDLE device, GpGraphics** graphics) {
  if (device) {  // printer devices are not drawn through GDI+
    LogNotCovered(lcGdiPlus(), QStringLiteral("GdipCreateFromHDC2: a device handle (answers NotImplemented)"));
    return NotImplemented;
  }
  return CreateFromHDC(hdc, graphics);
}

Status DeleteGraphics(GpGraphics* graphics) {
  auto destroy = Real<PFN_GdipDeleteGraphics>("GdipDeleteGraphics");
  if (!destroy) return NotImplemented;
  GpBitmap* bitmap = nullptr;
  HDC lent = nullptr, libraryDc = nullptr;
  if (graphics) {
    DcGraphicsTable& t = DcGraphics();
    std::lock_guard guard(t.lock);
    if (auto it = t.surfaces.find(graphics); it != t.surfaces.end()) {
      bitmap = it->second.bitmap;
      lent = it->second.lent;
      libraryDc = it->second.libraryDc;
      t.surfaces.erase(it);
    }
  }
  if (lent) {
    // A DC never given back goes with its graphics.
    if (auto release = Real<PFN_GdipReleaseDC>("GdipReleaseDC")) release(graphics, libraryDc);
    DeleteDC(lent);
  }
  Status status = destroy(graphics);
  if (bitmap)
    if (auto dispose = Real<PFN_GdipDisposeImage>("GdipDisposeImage")) dispose(bitmap);
  return status;
}

// A device context of the layer for the graphics of a DC: a DC over the same
// image whose origin is the graphics' first pixel. While it is out the
// graphics answers ObjectBusy, as the library marks it. Other graphics have
// no device context of the layer (the library would hand out its own
// graphics as the handle).
Status GetDC(GpGraphics* graphics, HDC* hdc) {
  if (!graphics || !hdc) return InvalidParameter;
  static const auto real = Real<PFN_GdipGetDC>("GdipGetDC");
  static const auto flush = Real<PFN_GdipFlush>("GdipFlush");
  static const auto release = Real<PFN_GdipReleaseDC>("GdipReleaseDC");
  if (!real || !flush || !release) return NotImplemented;
  DcGraphicsTable& t = DcGraphics();
  std::lock_guard guard(t.lock);
  auto it = t.surfaces.find(graphics);
  if (it == t.surfaces.end()) return NotImplemented;
  DcSurface& surface = it->second;
  if (surface.lent) return ObjectBusy;
  flush(graphics, FlushIntentionSync);
  HDC libraryDc = nullptr;
  Status status = real(graphics, &libraryDc);
  if (status != Ok) return status;
  HDC dc = CreateImageDC(surface.image, surface.dpi);
  if (!dc) {
    release(graphics, libraryDc);
    return OutOfMemory;
  }
  SetViewportOrgEx(dc, surface.x, surface.y, nullptr);
  surface.lent = dc;
  surface.libraryDc = libraryDc;
  *hdc = dc;
  return Ok;
}

Status ReleaseDC(GpGraphics* graphics, HDC hdc) {
  if (!graphics || !hdc) return InvalidParameter;
  static const auto release = Real<PFN_GdipReleaseDC>("GdipReleaseDC");
  if (!release) return NotImplemented;
  DcGraphicsTable& t = DcGraphics();
  std::lock_guard guard(t.lock);
  auto it = t.surfaces.find(graphics);
  if (it == t.surfaces.end() || it->second.lent != hdc) return InvalidParameter;
  DcSurface& surface = it->second;
  GdiFlush();
  DeleteDC(surface.lent);
  const Status status = release(graphics, surface.libraryDc);
  surface.lent = nullptr;
  surface.libraryDc = nullptr;
  return status;
}

// ---------------------------------------------------------------------------
// GDI handles of the layer
//
// The library takes region, bitmap and font handles for objects of its own
// (a region or bitmap handle is read as one of its objects, which crashes on
// a handle of the layer). These go through the layer's objects instead.

// A region of the library covering the area of a region of the layer.
Status RegionFromArea(const QRegion& area, GpRegion** region) {
  static const auto create = Real<PFN_GdipCreateRegion>("GdipCreateRegion");
  static const auto empty = Real<PFN_GdipSetEmpty>("GdipSetEmpty");
  static const auto combine = Real<PFN_GdipCombineRegionRectI>("GdipCombineRegionRectI");
  static const auto remove = Real<PFN_GdipDeleteRegion>("GdipDeleteRegion");
  if (!create || !empty || !combine || !remove) return NotImplemented;
  GpRegion* result = nullptr;
  Status status = create(&result);
  if (status == Ok) status = empty(result);
  for (const QRect& r : area) {
    if (status != Ok) break;
    const GpRect rect{r.x(), r.y(), r.width(), r.height()};
    status = combine(result, &rect, CombineModeUnion);
  }
  if (status != Ok) {
    if (result) remove(result);
    return status;
  }
  *region = result;
  return Ok;
}

bool IsRegionHandle(HRGN hrgn) { return hrgn && GetObjectType(hrgn) == OBJ_REGION; }

Status CreateRegionHrgn(HRGN hrgn, GpRegion** region) {
  if (!region) return InvalidParameter;
  *region = nullptr;
  if (!IsRegionHandle(hrgn)) return InvalidParameter;
  return RegionFromArea(GetRegionArea(hrgn), region);
}

Status SetClipHrgn(GpGraphics* graphics, HRGN hrgn, CombineMode mode) {
  if (!graphics || !IsRegionHandle(hrgn)) return InvalidParameter;
  static const auto setClip = Real<PFN_GdipSetClipRegion>("GdipSetClipRegion");
  static const auto remove = Real<PFN_GdipDeleteRegion>("GdipDeleteRegion");
  if (!setClip || !remove) return NotImplemented;
  GpRegion* region = nullptr;
  Status status = RegionFromArea(GetRegionArea(hrgn), &region);
  if (status != Ok) return status;
  status = setClip(graphics, region, mode);
  remove(region);
  return status;
}

// The region in the device pixels of the graphics as a region of the layer;
// null (and Ok) for an infinite region.
Status GetRegionHRgn(GpRegion* region, GpGraphics* graphics, HRGN* hrgn) {
  if (!region || !graphics || !hrgn) return InvalidParameter;
  *hrgn = nullptr;
  static const auto infinite = Real<PFN_GdipIsInfiniteRegion>("GdipIsInfiniteRegion");
  static const auto createMatrix = Real<PFN_GdipCreateMatrix2>("GdipCreateMatrix2");
  static const auto deleteMatrix = Real<PFN_GdipDeleteMatrix>("GdipDeleteMatrix");
  static const auto count = Real<PFN_GdipGetRegionScansCount>("GdipGetRegionScansCount");
  static const auto scans = Real<PFN_GdipGetRegionScansI>("GdipGetRegionScansI");
  if (!infinite || !createMatrix || !deleteMatrix || !count || !scans) return NotImplemented;
  BOOL isInfinite = FALSE;
  Status status = infinite(region, graphics, &isInfinite);
  if (status != Ok || isInfinite) return status;
  Affine toDevice;
  if ((status = SpaceTransform(graphics, CoordinateSpaceDevice, CoordinateSpaceWorld,
                               toDevice)) != Ok)
    return status;
  GpMatrix* matrix = nullptr;
  if ((status = createMatrix(REAL(toDevice.m11), REAL(toDevice.m12), REAL(toDevice.m21),
                             REAL(toDevice.m22), REAL(toDevice.dx), REAL(toDevice.dy),
                             &matrix)) != Ok)
    return status;
  UINT n = 0;
  std::vector<GpRect> rects;
  status = count(region, &n, matrix);
  if (status == Ok) {
    rects.resize(n);
    INT filled = INT(n);
    status = n ? scans(region, rects.data(), &filled, matrix) : Ok;
    rects.resize(std::min<size_t>(n, size_t(std::max(filled, 0))));
  }
  deleteMatrix(matrix);
  if (status != Ok) return status;
  HRGN result = CreateRectRgn(0, 0, 0, 0);
  if (!result) return OutOfMemory;
  for (const GpRect& r : rects) {
    HRGN part = CreateRectRgn(r.X, r.Y, r.X + r.Width, r.Y + r.Height);
    if (part) {
      CombineRgn(result, result, part, RGN_OR);
      DeleteObject(part);
    }
  }
  *hrgn = result;
  return Ok;
}

// A copy of the bitmap's pixels; the alpha of the bitmap is not used (a GDI
// bitmap has none), as GDI+ does for bitmap handles.
Status CreateBitmapFromHBITMAP(HBITMAP hbm, HPALETTE, GpBitmap** bitmap) {
  if (!bitmap) return InvalidParameter;
  *bitmap = nullptr;
  const QImage* source = hbm ? GetBitmapImage(hbm) : nullptr;
  if (!source || source->isNull()) return InvalidParameter;
  static const auto fromScan0 = Real<PFN_GdipCreateBitmapFromScan0>("GdipCreateBitmapFromScan0");
  static const auto dispose = Real<PFN_GdipDisposeImage>("GdipDisposeImage");
  if (!fromScan0 || !dispose) return NotImplemented;
  const QImage pixels = source->convertToFormat(QImage::Format_RGB32);
  GpBitmap* result = nullptr;
  Status status =
      fromScan0(pixels.width(), pixels.height(), 0, PixelFormat32bppRGB, nullptr, &result);
  if (status != Ok) return status;
  BitmapData data{};
  const GpRect all{0, 0, pixels.width(), pixels.height()};
  status = LockBits(result, &all, 2 /* write */, PixelFormat32bppRGB, &data);
  if (status == Ok) {
    for (int y = 0; y < pixels.height(); ++y)
      std::memcpy(static_cast<BYTE*>(data.Scan0) + qsizetype(y) * data.Stride,
                  pixels.constScanLine(y), size_t(pixels.width()) * 4);
    status = UnlockBits(result, &data);
  }
  if (status != Ok) {
    dispose(result);
    return status;
  }
  *bitmap = result;
  return Ok;
}

// A bitmap of the layer holding the pixels drawn over the background colour.
Status CreateHBITMAPFromBitmap(GpBitmap* bitmap, HBITMAP* hbm, ARGB background) {
  if (!bitmap || !hbm) return InvalidParameter;
  *hbm = nullptr;
  static const auto width = Real<PFN_GdipGetImageWidth>("GdipGetImageWidth");
  static const auto height = Real<PFN_GdipGetImageHeight>("GdipGetImageHeight");
  if (!width || !height) return NotImplemented;
  UINT w = 0, h = 0;
  Status status = width(bitmap, &w);
  if (status == Ok) status = height(bitmap, &h);
  if (status != Ok) return status;
  if (w == 0 || h == 0 || w > 32767 || h > 32767) return InvalidParameter;
  QImage pixels(int(w), int(h), QImage::Format_ARGB32);
  if (pixels.isNull()) return OutOfMemory;
  BitmapData data{};
  const GpRect all{0, 0, INT(w), INT(h)};
  status = LockBits(bitmap, &all, 1 /* read */, PixelFormat32bppARGB, &data);
  if (status != Ok) return status;
  for (int y = 0; y < int(h); ++y)
    std::memcpy(pixels.scanLine(y), static_cast<const BYTE*>(data.Scan0) + qsizetype(y) * data.Stride,
                size_t(w) * 4);
  status = UnlockBits(bitmap, &data);
  if (status != Ok) return status;
  QImage result(int(w), int(h), QImage::Format_ARGB32_Premultiplied);
  result.fill(QColor::fromRgba(background));
  {
    QPainter painter(&result);
    painter.drawImage(0, 0, pixels);
  }
  HBITMAP handle = CreateBitmapFromImage(result);
  if (!handle) return OutOfMemory;
  *hbm = handle;
  return Ok;
}

// The font selected into a DC of the layer.
Status CreateFontFromDC(HDC hdc, GpFont** font) {
  if (!font) return InvalidParameter;
  *font = nullptr;
  static const auto fromLogfont = Real<PFN_GdipCreateFontFromLogfontW>("GdipCreateFontFromLogfontW");
  if (!fromLogfont) return NotImplemented;
  HGDIOBJ selected = hdc ? GetCurrentObject(hdc, OBJ_FONT) : nullptr;
  LOGFONTW logfont{};
  if (!selected || GetObjectW(selected, int(sizeof logfont), &logfont) != int(sizeof logfont))
    return InvalidParameter;
  return fromLogfont(hdc, &logfont, font);
}

// The library answers Ok without warping; nothing is done, so say so.
Status WarpPath(GpPath* path, GpMatrix*, const GpPointF* points, INT count, REAL, REAL, REAL,
                REAL, WarpMode, REAL) {
  if (!path || !points || count <= 0) return InvalidParameter;
  LogNotCovered(lcGdiPlus(), QStringLiteral("GdipWarpPath (answers NotImplemented)"));
  return NotImplemented;
}

// ---------------------------------------------------------------------------
// Region data
//
// For a region made of several rectangles the library writes one rectangle
// node followed by the others, and reads only the first back. Such a region
// is written as the region of a path holding its rectangles instead, which
// reads back whole.

constexpr uint32_t kRegionRectNode = 0x10000000;
constexpr UINT kRegionHeaderSize = 16;  // size, checksum, version, node count

// The region whose data stands for region: null for region itself, or a new
// region the caller deletes.
Status RegionForData(GpRegion* region, GpRegion** stand) {
  *stand = nullptr;
  static const auto size = Real<PFN_GdipGetRegionDataSize>("GdipGetRegionDataSize");
  static const auto data = Real<PFN_GdipGetRegionData>("GdipGetRegionData");
  static const auto createPath = Real<PFN_GdipCreatePath>("GdipCreatePath");
  static const auto addRects = Real<PFN_GdipAddPathRectangles>("GdipAddPathRectangles");
  static const auto deletePath = Real<PFN_GdipDeletePath>("GdipDeletePath");
  static const auto fromPath = Real<PFN_GdipCreateRegionPath>("GdipCreateRegionPath");
  if (!size || !data || !createPath || !addRects || !deletePath || !fromPath)
    return NotImplemented;
  UINT bytes = 0;
  Status status = size(region, &bytes);
  const UINT oneRect = kRegionHeaderSize + 4 + sizeof(GpRectF);
  if (status != Ok || bytes <= oneRect) return status;
  std::vector<BYTE> buffer(bytes);
  if ((status = data(region, buffer.data(), bytes, nullptr)) != Ok) return status;
  uint32_t node = 0;
  std::memcpy(&node, buffer.data() + kRegionHeaderSize, sizeof node);
  const UINT rectBytes = bytes - kRegionHeaderSize - 4;
  if (node != kRegionRectNode || rectBytes % sizeof(GpRectF) != 0) return Ok;
  std::vector<GpRectF> rects(rectBytes / sizeof(GpRectF));
  std::memcpy(rects.data(), buffer.data() + kRegionHeaderSize + 4, rectBytes);
  GpPath* path = nullptr;
  if ((status = createPath(FillModeWinding, &path)) != Ok) return status;
  status = addRects(path, rects.data(), INT(rects.size()));
  if (status == Ok) status = fromPath(path, stand);
  deletePath(path);
  return status;
}

Status GetRegionDataSize(GpRegion* region, UINT* bufferSize) {
  if (!region || !bufferSize) return InvalidParameter;
  static const auto size = Real<PFN_GdipGetRegionDataSize>("GdipGetRegionDataSize");
  static const auto remove = Real<PFN_GdipDeleteRegion>("GdipDeleteRegion");
  if (!size || !remove) return NotImplemented;
  GpRegion* stand = nullptr;
  Status status = RegionForData(region, &stand);
  if (status != Ok) return status;
  status = size(stand ? stand : region, bufferSize);
  if (stand) remove(stand);
  return status;
}

Status GetRegionData(GpRegion* region, BYTE* buffer, UINT bufferSize, UINT* sizeFilled) {
  if (!region || !buffer || bufferSize == 0) return InvalidParameter;
  static const auto data = Real<PFN_GdipGetRegionData>("GdipGetRegionData");
  static const auto remove = Real<PFN_GdipDeleteRegion>("GdipDeleteRegion");
  if (!data || !remove) return NotImplemented;
  GpRegion* stand = nullptr;
  Status status = RegionForData(region, &stand);
  if (status != Ok) return status;
  status = data(stand ? stand : region, buffer, bufferSize, sizeFilled);
  if (stand) remove(stand);
  return status;
}

// ---------------------------------------------------------------------------
// Widening
//
// The library answers Ok without widening. The outline of the stroke is made
// here from the path's figures and the pen's width, caps, join, miter limit
// and dashes, and replaces the path's contents (winding fill mode). The
// flatness is that of the stroker.

Qt::PenCapStyle CapStyle(GpLineCap cap) {
  switch (cap) {
    case 1: case 0x11: return Qt::SquareCap;
    case 2: case 0x12: return Qt::RoundCap;
    default: return Qt::FlatCap;
  }
}

Qt::PenJoinStyle JoinStyle(LineJoin join) {
  switch (join) {
    case LineJoinBevel: return Qt::BevelJoin;
    case LineJoinRound: return Qt::RoundJoin;
    default: return Qt::SvgMiterJoin;
  }
}

Status WidenPath(GpPath* path, GpPen* pen, GpMatrix* matrix, REAL) {
  if (!path || !pen) return InvalidParameter;
  static const auto count = Real<PFN_GdipGetPointCount>("GdipGetPointCount");
  static const auto points = Real<PFN_GdipGetPathPoints>("GdipGetPathPoints");
  static const auto types = Real<PFN_GdipGetPathTypes>("GdipGetPathTypes");
  static const auto transform = Real<PFN_GdipTransformMatrixPoints>("GdipTransformMatrixPoints");
  static const auto width = Real<PFN_GdipGetPenWidth>("GdipGetPenWidth");
  static const auto startCap = Real<PFN_GdipGetPenStartCap>("GdipGetPenStartCap");
  static const auto lineJoin = Real<PFN_GdipGetPenLineJoin>("GdipGetPenLineJoin");
  static const auto miter = Real<PFN_GdipGetPenMiterLimit>("GdipGetPenMiterLimit");
  static const auto dashStyle = Real<PFN_GdipGetPenDashStyle>("GdipGetPenDashStyle");
  static const auto dashCount = Real<PFN_GdipGetPenDashCount>("GdipGetPenDashCount");
  static const auto dashArray = Real<PFN_GdipGetPenDashArray>("GdipGetPenDashArray");
  static const auto dashOffset = Real<PFN_GdipGetPenDashOffset>("GdipGetPenDashOffset");
  static const auto reset = Real<PFN_GdipResetPath>("GdipResetPath");
  static const auto polygon = Real<PFN_GdipAddPathPolygon>("GdipAddPathPolygon");
  static const auto fillMode = Real<PFN_GdipSetPathFillMode>("GdipSetPathFillMode");
  if (!count || !points || !types || !transform || !width || !startCap || !lineJoin || !miter ||
      !dashStyle || !dashCount || !dashArray || !dashOffset || !reset || !polygon || !fillMode)
    return NotImplemented;

  INT n = 0;
  Status status = count(path, &n);
  if (status != Ok) return status;
  std::vector<GpPointF> pts(size_t(std::max(n, 0)));
  std::vector<BYTE> kinds(pts.size());
  if (n > 0) {
    if ((status = points(path, pts.data(), n)) != Ok) return status;
    if ((status = types(path, kinds.data(), n)) != Ok) return status;
    if (matrix && (status = transform(matrix, pts.data(), n)) != Ok) return status;
  }
  QPainterPath figures;
  for (INT i = 0; i < n; ++i) {
    const QPointF p(pts[size_t(i)].X, pts[size_t(i)].Y);
    switch (kinds[size_t(i)] & 0x07) {
      case 0: figures.moveTo(p); break;
      case 3:
        if (i + 2 < n) {
          figures.cubicTo(p, QPointF(pts[size_t(i) + 1].X, pts[size_t(i) + 1].Y),
                          QPointF(pts[size_t(i) + 2].X, pts[size_t(i) + 2].Y));
          i += 2;
        }
        break;
      default: figures.lineTo(p); break;
    }
    if (kinds[size_t(i)] & 0x80) figures.closeSubpath();
  }

  REAL w = 1, limit = 10, offset = 0;
  GpLineCap cap = 0;
  LineJoin join = LineJoinMiter;
  DashStyle dash = DashStyleSolid;
  width(pen, &w);
  startCap(pen, &cap);
  lineJoin(pen, &join);
  miter(pen, &limit);
  dashStyle(pen, &dash);
  dashOffset(pen, &offset);
  QPainterPathStroker stroker;
  stroker.setWidth(w > 0 ? w : 1);
  stroker.setCapStyle(CapStyle(cap));
  stroker.setJoinStyle(JoinStyle(join));
  stroker.setMiterLimit(limit);
  // The dash patterns of GDI+, in pen widths.
  switch (dash) {
    case DashStyleDash: stroker.setDashPattern(QList<qreal>{3, 1}); break;
    case DashStyleDot: stroker.setDashPattern(QList<qreal>{1, 1}); break;
    case DashStyleDashDot: stroker.setDashPattern(QList<qreal>{3, 1, 1, 1}); break;
    case DashStyleDashDotDot: stroker.setDashPattern(QList<qreal>{3, 1, 1, 1, 1, 1}); break;
    case DashStyleCustom: {
      INT entries = 0;
      if (dashCount(pen, &entries) == Ok && entries > 0) {
        std::vector<REAL> pattern(static_cast<size_t>(entries));
        if (dashArray(pen, pattern.data(), entries) == Ok)
          stroker.setDashPattern(QList<qreal>(pattern.begin(), pattern.end()));
      }
      break;
    }
    default: break;
  }
  stroker.setDashOffset(offset);
  const QPainterPath outline = stroker.createStroke(figures);

  if ((status = reset(path)) != Ok) return status;
  for (const QPolygonF& part : outline.toSubpathPolygons()) {
    if (part.size() < 3) continue;
    std::vector<GpPointF> corners;
    corners.reserve(size_t(part.size()));
    for (const QPointF& p : part) corners.push_back(GpPointF{REAL(p.x()), REAL(p.y())});
    if ((status = polygon(path, corners.data(), INT(corners.size()))) != Ok) return status;
  }
  return fillMode(path, FillModeWinding);
}

// ---------------------------------------------------------------------------
// Containers and page scale
//
// The library opens a container with rectangles but ignores them; the
// container here maps the source rectangle (in its unit) onto the
// destination rectangle (in world units) by a world transform inside it.
// The library stores a page scale without applying it when it draws; a scale
// other than 1 is therefore refused (NotImplemented) and not stored.

Status BeginContainerMapped(GpGraphics* graphics, const GpRectF& dst, const GpRectF& src,
                            Unit unit, GraphicsContainer* state) {
  if (!graphics || !state) return InvalidParameter;
  if (src.Width == 0 || src.Height == 0 || unit < UnitWorld || unit > UnitMillimeter)
    return InvalidParameter;
  static const auto begin = Real<PFN_GdipBeginContainer2>("GdipBeginContainer2");
  static const auto end = Real<PFN_GdipEndContainer>("GdipEndContainer");
  static const auto pageUnit = Real<PFN_GdipGetPageUnit>("GdipGetPageUnit");
  static const auto dpiX = Real<PFN_GdipGetDpiX>("GdipGetDpiX");
  static const auto createMatrix = Real<PFN_GdipCreateMatrix2>("GdipCreateMatrix2");
  static const auto multiply = Real<PFN_GdipMultiplyWorldTransform>("GdipMultiplyWorldTransform");
  static const auto deleteMatrix = Real<PFN_GdipDeleteMatrix>("GdipDeleteMatrix");
  if (!begin || !end || !pageUnit || !dpiX || !createMatrix || !multiply || !deleteMatrix)
    return NotImplemented;
  Unit page = UnitDisplay;
  REAL dpi = 96;
  Status status = pageUnit(graphics, &page);
  if (status == Ok) status = dpiX(graphics, &dpi);
  if (status != Ok) return status;
  // The source rectangle in the graphics' page units.
  const double f = UnitsToDevice(unit, dpi) / UnitsToDevice(page, dpi);
  const double sx = dst.Width / (src.Width * f), sy = dst.Height / (src.Height * f);
  const double tx = dst.X - src.X * f * sx, ty = dst.Y - src.Y * f * sy;
  if (!std::isfinite(sx) || !std::isfinite(sy) || !std::isfinite(tx) || !std::isfinite(ty))
    return InvalidParameter;
  GraphicsContainer container = 0;
  if ((status = begin(graphics, &container)) != Ok) return status;
  GpMatrix* matrix = nullptr;
  status = createMatrix(REAL(sx), 0, 0, REAL(sy), REAL(tx), REAL(ty), &matrix);
  if (status == Ok) {
    status = multiply(graphics, matrix, MatrixOrderPrepend);
    deleteMatrix(matrix);
  }
  if (status != Ok) {
    end(graphics, container);
    return status;
  }
  *state = container;
  return Ok;
}

Status BeginContainer(GpGraphics* graphics, const GpRectF* dst, const GpRectF* src, Unit unit,
                      GraphicsContainer* state) {
  if (!dst || !src) return InvalidParameter;
  return BeginContainerMapped(graphics, *dst, *src, unit, state);
}

Status BeginContainerI(GpGraphics* graphics, const GpRect* dst, const GpRect* src, Unit unit,
                       GraphicsContainer* state) {
  if (!dst || !src) return InvalidParameter;
  return BeginContainerMapped(graphics, GpRectF{REAL(dst->X), REAL(dst->Y), REAL(dst->Width),
                                                REAL(dst->Height)},
                              GpRectF{REAL(src->X), REAL(src->Y), REAL(src->Width),
                                      REAL(src->Height)},
                              unit, state);
}

Status SetPageScale(GpGraphics* graphics, REAL scale) {
  static const auto real = Real<PFN_GdipSetPageScale>("GdipSetPageScale");
  if (!real) return NotImplemented;
  if (!graphics || !(scale > 0) || !std::isfinite(scale)) return InvalidParameter;
  if (scale != 1.0f) {
    LogNotCovered(lcGdiPlus(), QStringLiteral("GdipSetPageScale: a scale other than 1 (answers NotImplemented)"));
    return NotImplemented;
  }
  return real(graphics, scale);
}

// ---------------------------------------------------------------------------
// Generic families and string formats
//
// The library hands out one generic family or format per kind for the whole
// process and keeps handing out the same pointer after it was deleted; a
// deletion would leave it dangling. Deleting a generic object is therefore
// a no-op answering Ok: the library frees them when it shuts down.

struct GenericHandles {
  std::mutex lock;
  std::set<const void*> handles;
};

GenericHandles& Generics() {
  static GenericHandles* table = new GenericHandles;  // lives to the end of the process
  return *table;
}

void NoteGeneric(const void* handle) {
  if (!handle) return;
  GenericHandles& g = Generics();
  std::lock_guard guard(g.lock);
  g.handles.insert(handle);
}

bool IsGeneric(const void* handle) {
  GenericHandles& g = Generics();
  std::lock_guard guard(g.lock);
  return g.handles.count(handle) != 0;
}

template <class Tag>
struct GenericEntry {
  static inline const char* name = nullptr;
  template <class Handle>
  static Status Call(Handle** handle) {
    static const auto real = Real<Status (*)(Handle**)>(name);
    if (!real) return NotImplemented;
    const Status status = real(handle);
    if (status == Ok && handle) NoteGeneric(*handle);
    return status;
  }
};

struct SansSerifTag;
struct SerifTag;
struct MonospaceTag;
struct DefaultFormatTag;
struct TypographicFormatTag;

template <class Tag, class Handle>
void* GenericProc(const char* name) {
  GenericEntry<Tag>::name = name;
  return reinterpret_cast<void*>(&GenericEntry<Tag>::template Call<Handle>);
}

Status DeleteFontFamily(GpFontFamily* family) {
  static const auto real = Real<PFN_GdipDeleteFontFamily>("GdipDeleteFontFamily");
  if (!real) return NotImplemented;
  if (family && IsGeneric(family)) return Ok;
  return real(family);
}

Status DeleteStringFormat(GpStringFormat* format) {
  static const auto real = Real<PFN_GdipDeleteStringFormat>("GdipDeleteStringFormat");
  if (!real) return NotImplemented;
  if (format && IsGeneric(format)) return Ok;
  return real(format);
}

// ---------------------------------------------------------------------------
// Icons and resources
//
// The layer has no icons of its own: an icon handle is one the library made
// (GdipCreateHICONFromBitmap); the library reads any other handle as its own
// object, so only those it handed out are taken back. Bitmap resources are
// the program's resources by upper-case name (the library has none).

struct IconTable {
  std::mutex lock;
  std::set<HICON> icons;
};

IconTable& Icons() {
  static IconTable* table = new IconTable;  // lives to the end of the process
  return *table;
}

Status CreateHICONFromBitmap(GpBitmap* bitmap, HICON* icon) {
  static const auto real = Real<PFN_GdipCreateHICONFromBitmap>("GdipCreateHICONFromBitmap");
  if (!real) return NotImplemented;
  const Status status = real(bitmap, icon);
  if (status == Ok && icon && *icon) {
    IconTable& t = Icons();
    std::lock_guard guard(t.lock);
    t.icons.insert(*icon);
  }
  return status;
}

Status CreateBitmapFromHICON(HICON icon, GpBitmap** bitmap) {
  static const auto real = Real<PFN_GdipCreateBitmapFromHICON>("GdipCreateBitmapFromHICON");
  if (!real) return NotImplemented;
  if (!bitmap) return InvalidParameter;
  *bitmap = nullptr;
  {
    IconTable& t = Icons();
    std::lock_guard guard(t.lock);
    if (!t.icons.count(icon)) return InvalidParameter;
  }
  return real(icon, bitmap);
}

Status CreateBitmapFromResource(HINSTANCE, const WCHAR* name, GpBitmap** bitmap) {
  if (!name || !bitmap) return InvalidParameter;
  *bitmap = nullptr;
  static const auto type = Real<PFN_GdipGetImageType>("GdipGetImageType");
  static const auto dispose = Real<PFN_GdipDisposeImage>("GdipDisposeImage");
  if (!type || !dispose) return NotImplemented;
  const QResource resource(QStringLiteral(":/") + QString::fromUtf16(name).toUpper());
  if (!resource.isValid() || resource.size() <= 0) return Win32Error;  // no such resource
  GpImage* image = nullptr;
  Status status = GdiplusLoadImageFromBytes(resource.uncompressedData(), &image);
  if (status != Ok) return status;
  ImageType kind = ImageTypeUnknown;
  status = type(image, &kind);
  if (status == Ok && kind != ImageTypeBitmap) status = UnknownImageFormat;
  if (status != Ok) {
    dispose(image);
    return status;
  }
  *bitmap = image;
  return Ok;
}

// ---------------------------------------------------------------------------
// Font families by name
//
// Font configuration always finds some family for a name: for one it has no
// font for, its default family. Such a name answers FontFamilyNotFound, as
// GDI+ does; a name configured as an alias of an installed family (Arial for
// Liberation Sans) finds that family.

QString FamilyNameOf(GpFontFamily* family) {
  static const auto name = Real<PFN_GdipGetFamilyName>("GdipGetFamilyName");
  WCHAR buffer[128] = {};
  if (!name || name(family, buffer, 0) != Ok) return QString();
  qsizetype length = 0;
  while (length < 32 && buffer[length]) ++length;
  return QString::fromUtf16(buffer, length);
}

// The family the font configuration answers for a name it has no font for.
const QString& DefaultFamilyName() {
  static const QString name = [] {
    static const auto create = Real<PFN_GdipCreateFontFamilyFromName>("GdipCreateFontFamilyFromName");
    static const auto remove = Real<PFN_GdipDeleteFontFamily>("GdipDeleteFontFamily");
    GpFontFamily* family = nullptr;
    if (!create || !remove ||
        create(u"tallowfinch no such family 7a1e", nullptr, &family) != Ok || !family)
      return QString();
    QString result = FamilyNameOf(family);
    remove(family);
    return result;
  }();
  return name;
}

Status CreateFontFamilyFromName(const WCHAR* name, GpFontCollection* collection,
                                GpFontFamily** family) {
  static const auto create = Real<PFN_GdipCreateFontFamilyFromName>("GdipCreateFontFamilyFromName");
  static const auto remove = Real<PFN_GdipDeleteFontFamily>("GdipDeleteFontFamily");
  if (!create || !remove) return NotImplemented;
  const Status status = create(name, collection, family);
  if (status != Ok || collection || !family || !*family) return status;
  const QString asked = QString::fromUtf16(name).trimmed();
  const QString found = FamilyNameOf(*family);
  if (found.compare(asked, Qt::CaseInsensitive) == 0) return Ok;
  const QString& fallback = DefaultFamilyName();
  if (fallback.isEmpty() || found.compare(fallback, Qt::CaseInsensitive) != 0) return Ok;
  remove(*family);
  *family = nullptr;
  return FontFamilyNotFound;
}

// ---------------------------------------------------------------------------
// Windows metafiles drawn into a rectangle
//
// libgdiplus plays a WMF as if its logical units were 1440 per inch
// whatever the file says, and draws it into a rectangle at 96/1440 of the
// rectangle's size. The metafile is therefore drawn into the rectangle
// under a world transform that scales that loss back; drawn at a point it
// takes the size its header gives (logical size at the file's resolution).

bool IsWindowsMetafile(GpImage* image) {
  auto raw = Real<PFN_GdipGetImageRawFormat>("GdipGetImageRawFormat");
  GUID format{};
  if (!image || !raw || raw(image, &format) != Ok) return false;
  static const uint8_t tail[8] = {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E};
  return format.Data1 == 0xB96B3CAD && format.Data2 == 0x0728 && format.Data3 == 0x11D3 &&
         std::memcmp(format.Data4, tail, 8) == 0;
}

Status DrawMetafileRect(GpGraphics* graphics, GpImage* image, REAL x, REAL y, REAL width, REAL height) {
  auto draw = Real<PFN_GdipDrawImageRect>("GdipDrawImageRect");
  auto save = Real<PFN_GdipSaveGraphics>("GdipSaveGraphics");
  auto restore = Real<PFN_GdipRestoreGraphics>("GdipRestoreGraphics");
  auto translate = Real<PFN_GdipTranslateWorldTransform>("GdipTranslateWorldTransform");
  auto scale = Real<PFN_GdipScaleWorldTransform>("GdipScaleWorldTransform");
  auto dpiX = Real<PFN_GdipGetDpiX>("GdipGetDpiX");
  auto dpiY = Real<PFN_GdipGetDpiY>("GdipGetDpiY");
  if (!draw || !save || !restore || !translate || !scale || !dpiX || !dpiY) return NotImplemented;
  REAL horizontal = 96, vertical = 96;
  if (dpiX(graphics, &horizontal) != Ok || horizontal <= 0) horizontal = 96;
  if (dpiY(graphics, &vertical) != Ok || vertical <= 0) vertical = 96;
  GraphicsState state = 0;
  Status status = save(graphics, &state);
  if (status != Ok) return status;
  status = translate(graphics, x, y, MatrixOrderPrepend);
  if (status == Ok) status = scale(graphics, 1440.0f / horizontal, 1440.0f / vertical, MatrixOrderPrepend);
  if (status == Ok) status = draw(graphics, image, 0, 0, width, height);
  restore(graphics, state);
  return status;
}

// The size a metafile's header gives, in the graphics' pixels.
bool MetafilePixelSize(GpGraphics* graphics, GpImage* image, REAL& width, REAL& height) {
  auto w = Real<PFN_GdipGetImageWidth>("GdipGetImageWidth");
  auto h = Real<PFN_GdipGetImageHeight>("GdipGetImageHeight");
  auto rx = Real<PFN_GdipGetImageHorizontalResolution>("GdipGetImageHorizontalResolution");
  auto ry = Real<PFN_GdipGetImageVerticalResolution>("GdipGetImageVerticalResolution");
  auto dpiX = Real<PFN_GdipGetDpiX>("GdipGetDpiX");
  auto dpiY = Real<PFN_GdipGetDpiY>("GdipGetDpiY");
  if (!w || !h || !rx || !ry || !dpiX || !dpiY) return false;
  UINT units = 0, rows = 0;
  REAL resX = 0, resY = 0, horizontal = 96, vertical = 96;
  if (w(image, &units) != Ok || h(image, &rows) != Ok || rx(image, &resX) != Ok || ry(image, &resY) != Ok)
    return false;
  if (resX <= 0 || resY <= 0) return false;
  if (dpiX(graphics, &horizontal) != Ok || horizontal <= 0) horizontal = 96;
  if (dpiY(graphics, &vertical) != Ok || vertical <= 0) vertical = 96;
  width = REAL(units) * horizontal / resX;
  height = REAL(rows) * vertical / resY;
  return true;
}

Status DrawImageShim(GpGraphics* graphics, GpImage* image, REAL x, REAL y) {
  if (graphics && IsWindowsMetafile(image)) {
    REAL width = 0, height = 0;
    if (MetafilePixelSize(graphics, image, width, height)) return DrawMetafileRect(graphics, image, x, y, width, height);
  }
  auto real = Real<PFN_GdipDrawImage>("GdipDrawImage");
  return real ? real(graphics, image, x, y) : NotImplemented;
}

Status DrawImageShimI(GpGraphics* graphics, GpImage* image, INT x, INT y) {
  if (graphics && IsWindowsMetafile(image)) return DrawImageShim(graphics, image, REAL(x), REAL(y));
  auto real = Real<PFN_GdipDrawImageI>("GdipDrawImageI");
  return real ? real(graphics, image, x, y) : NotImplemented;
}

Status DrawImageRectShim(GpGraphics* graphics, GpImage* image, REAL x, REAL y, REAL width, REAL height) {
  if (graphics && IsWindowsMetafile(image)) return DrawMetafileRect(graphics, image, x, y, width, height);
  auto real = Real<PFN_GdipDrawImageRect>("GdipDrawImageRect");
  return real ? real(graphics, image, x, y, width, height) : NotImplemented;
}

Status DrawImageRectShimI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width, INT height) {
  if (graphics && IsWindowsMetafile(image))
    return DrawMetafileRect(graphics, image, REAL(x), REAL(y), REAL(width), REAL(height));
  auto real = Real<PFN_GdipDrawImageRectI>("GdipDrawImageRectI");
  return real ? real(graphics, image, x, y, width, height) : NotImplemented;
}

// ---------------------------------------------------------------------------
// Lookup table

struct TextTag1;
struct TextTag2;
struct TextTag3;
struct TextTag4;
struct TextTag5;
struct TextTag6;
struct TextTag7;

using ProcFactory = void* (*)(const char*);

const std::unordered_map<std::string_view, ProcFactory>& Replacements() {
  static const std::unordered_map<std::string_view, ProcFactory> table = {
      {"GdiplusStartup", [](const char*) { return reinterpret_cast<void*>(&SharedStartup); }},
      {"GdiplusShutdown", [](const char*) { return reinterpret_cast<void*>(&SharedShutdown); }},
      {"GdipCreateFromHDC", [](const char*) { return reinterpret_cast<void*>(&CreateFromHDC); }},
      {"GdipCreateFromHDC2",
       [](const char*) { return reinterpret_cast<void*>(&CreateFromHDC2); }},
      {"GdipDeleteGraphics",
       [](const char*) { return reinterpret_cast<void*>(&DeleteGraphics); }},
      {"GdipBitmapLockBits", [](const char*) { return reinterpret_cast<void*>(&LockBits); }},
      {"GdipBitmapUnlockBits", [](const char*) { return reinterpret_cast<void*>(&UnlockBits); }},
      {"GdipTransformPoints",
       [](const char*) { return reinterpret_cast<void*>(&TransformPoints); }},
      {"GdipDrawImage", [](const char*) { return reinterpret_cast<void*>(&DrawImageShim); }},
      {"GdipDrawImageI", [](const char*) { return reinterpret_cast<void*>(&DrawImageShimI); }},
      {"GdipDrawImageRect", [](const char*) { return reinterpret_cast<void*>(&DrawImageRectShim); }},
      {"GdipDrawImageRectI", [](const char*) { return reinterpret_cast<void*>(&DrawImageRectShimI); }},
      {"GdipTransformPointsI",
       [](const char*) { return reinterpret_cast<void*>(&TransformPointsI); }},
      {"GdipGetDC", [](const char*) { return reinterpret_cast<void*>(&GetDC); }},
      {"GdipReleaseDC", [](const char*) { return reinterpret_cast<void*>(&ReleaseDC); }},
      {"GdipCreateRegionHrgn",
       [](const char*) { return reinterpret_cast<void*>(&CreateRegionHrgn); }},
      {"GdipSetClipHrgn", [](const char*) { return reinterpret_cast<void*>(&SetClipHrgn); }},
      {"GdipGetRegionHRgn", [](const char*) { return reinterpret_cast<void*>(&GetRegionHRgn); }},
      {"GdipCreateBitmapFromHBITMAP",
       [](const char*) { return reinterpret_cast<void*>(&CreateBitmapFromHBITMAP); }},
      {"GdipCreateHBITMAPFromBitmap",
       [](const char*) { return reinterpret_cast<void*>(&CreateHBITMAPFromBitmap); }},
      {"GdipCreateFontFromDC",
       [](const char*) { return reinterpret_cast<void*>(&CreateFontFromDC); }},
      {"GdipWarpPath", [](const char*) { return reinterpret_cast<void*>(&WarpPath); }},
      {"GdipWidenPath", [](const char*) { return reinterpret_cast<void*>(&WidenPath); }},
      {"GdipBeginContainer",
       [](const char*) { return reinterpret_cast<void*>(&BeginContainer); }},
      {"GdipBeginContainerI",
       [](const char*) { return reinterpret_cast<void*>(&BeginContainerI); }},
      {"GdipSetPageScale", [](const char*) { return reinterpret_cast<void*>(&SetPageScale); }},
      {"GdipGetGenericFontFamilySansSerif", &GenericProc<SansSerifTag, GpFontFamily>},
      {"GdipGetGenericFontFamilySerif", &GenericProc<SerifTag, GpFontFamily>},
      {"GdipGetGenericFontFamilyMonospace", &GenericProc<MonospaceTag, GpFontFamily>},
      {"GdipStringFormatGetGenericDefault", &GenericProc<DefaultFormatTag, GpStringFormat>},
      {"GdipStringFormatGetGenericTypographic",
       &GenericProc<TypographicFormatTag, GpStringFormat>},
      {"GdipDeleteFontFamily", [](const char*) { return reinterpret_cast<void*>(&DeleteFontFamily); }},
      {"GdipDeleteStringFormat",
       [](const char*) { return reinterpret_cast<void*>(&DeleteStringFormat); }},
      {"GdipCreateHICONFromBitmap",
       [](const char*) { return reinterpret_cast<void*>(&CreateHICONFromBitmap); }},
      {"GdipCreateBitmapFromHICON",
       [](const char*) { return reinterpret_cast<void*>(&CreateBitmapFromHICON); }},
      {"GdipCreateBitmapFromResource",
       [](const char*) { return reinterpret_cast<void*>(&CreateBitmapFromResource); }},
      {"GdipGetRegionDataSize",
       [](const char*) { return reinterpret_cast<void*>(&GetRegionDataSize); }},
      {"GdipGetRegionData", [](const char*) { return reinterpret_cast<void*>(&GetRegionData); }},
      {"GdipCreateFontFamilyFromName",
       [](const char*) { return reinterpret_cast<void*>(&CreateFontFamilyFromName); }},
      {"GdipDrawString", &LockedProc<TextTag1, PFN_GdipDrawString>},
      {"GdipMeasureString", &LockedProc<TextTag2, PFN_GdipMeasureString>},
      {"GdipMeasureCharacterRanges", &LockedProc<TextTag3, PFN_GdipMeasureCharacterRanges>},
      {"GdipDrawDriverString", &LockedProc<TextTag4, PFN_GdipDrawDriverString>},
      {"GdipMeasureDriverString", &LockedProc<TextTag5, PFN_GdipMeasureDriverString>},
      {"GdipAddPathString", &LockedProc<TextTag6, PFN_GdipAddPathString>},
      {"GdipAddPathStringI", &LockedProc<TextTag7, PFN_GdipAddPathStringI>},
  };
  return table;
}

// Supplied by the runtime only where the library has no function of its own.
const std::unordered_map<std::string_view, void*>& Substitutes() {
  static const std::unordered_map<std::string_view, void*> table = {
      {"GdipGetRegionBoundsI", reinterpret_cast<void*>(&RegionBoundsI)},
      {"GdipPathIterIsValid", reinterpret_cast<void*>(&PathIterIsValid)},
      {"GdipFontCollectionEnumerable", reinterpret_cast<void*>(&FontCollectionEnumerable)},
      {"GdipFontCollectionEnumerate", reinterpret_cast<void*>(&FontCollectionEnumerate)},
      {"GdipCreateCachedBitmap", reinterpret_cast<void*>(&CreateCachedBitmap)},
      {"GdipDeleteCachedBitmap", reinterpret_cast<void*>(&DeleteCachedBitmap)},
      {"GdipDrawCachedBitmap", reinterpret_cast<void*>(&DrawCachedBitmap)},
  };
  return table;
}

const std::unordered_map<std::string_view, void*>& Stubs() {
  static const std::unordered_map<std::string_view, void*> table = {
#define GDIPLUS_STUB_ENTRY(Result, Name, Params) \
  {#Name, reinterpret_cast<void*>(&GdiplusStub<PFN_##Name>::Call)},
      GDIPLUS_FLAT_API(GDIPLUS_STUB_ENTRY)
#undef GDIPLUS_STUB_ENTRY
  };
  return table;
}

}  // namespace

void* GdiplusLibrary() {
  static void* library = dlopen(GdiplusLibraryFileName, RTLD_NOW | RTLD_LOCAL);
  return library;
}

bool GdiplusExports(const char* name) {
  void* library = GdiplusLibrary();
  return library && name && dlsym(library, name) != nullptr;
}

void* GdiplusProc(const char* name) {
  if (!name) return nullptr;
  const std::string_view key(name);
  auto stub = Stubs().find(key);
  if (stub == Stubs().end()) return nullptr;  // not a flat-API name
  if (auto r = Replacements().find(key); r != Replacements().end())
    if (void* proc = r->second(name)) return proc;
  if (void* library = GdiplusLibrary())
    if (void* proc = dlsym(library, name)) return proc;
  if (auto s = Substitutes().find(key); s != Substitutes().end()) return s->second;
  return stub->second;
}

Status GdiplusStartupShared(ULONG_PTR* token, const GdiplusStartupInput* input,
                            GdiplusStartupOutput* output) {
  if (!token || !input) return InvalidParameter;
  if (input->GdiplusVersion != 1) return UnsupportedGdiplusVersion;
  StartupState& s = Startup();
  std::lock_guard guard(s.lock);
  if (!s.libraryStarted) {
    auto startup = Real<PFN_GdiplusStartup>("GdiplusStartup");
    if (!startup) return NotImplemented;
    GdiplusStartupInput own{};  // no debug callback reaches the library
    Status status = startup(&s.libraryToken, &own, nullptr);
    if (status != Ok) return status;
    // The library is never shut down: its shutdown finalises the font
    // configuration (FcFini), which aborts the process while Qt or the
    // library's shared font families still hold fontconfig caches. The end
    // of the process releases everything it holds.
    s.libraryStarted = true;
  }
  if (output) *output = GdiplusStartupOutput{nullptr, nullptr};
  *token = s.nextToken++;
  s.tokens.insert(*token);
  return Ok;
}

void GdiplusShutdownShared(ULONG_PTR token) {
  StartupState& s = Startup();
  std::lock_guard guard(s.lock);
  s.tokens.erase(token);
}

int GdiplusStartupCount() {
  StartupState& s = Startup();
  std::lock_guard guard(s.lock);
  return int(s.tokens.size());
}

bool GdiplusLibraryStarted() {
  StartupState& s = Startup();
  std::lock_guard guard(s.lock);
  return s.libraryStarted;
}

std::recursive_mutex& GdiplusTextLock() {
  static std::recursive_mutex* lock = new std::recursive_mutex;  // usable during exit
  return *lock;
}

namespace {
uint32_t ByteLE16(const uchar* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8); }
uint32_t ByteLE32(const uchar* p) { return ByteLE16(p) | (ByteLE16(p + 2) << 16); }
}  // namespace

bool GdiplusMetafileRecordsSound(const QByteArray& bytes) {
  const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
  const qsizetype n = bytes.size();
  constexpr int maxRecords = 1000000;
  if (n >= 44 && ByteLE32(d) == 1 && std::memcmp(d + 40, " EMF", 4) == 0) {
    // Enhanced metafile: a header whose byte count lies within the data
    // (the library allocates by it), then records of a type and a byte size
    // (a multiple of 4, at least 8) up to EMR_EOF.
    if (n < 56) return false;
    const uint32_t total = ByteLE32(d + 48), records = ByteLE32(d + 52);
    if (total < 88 || total > uint64_t(n) || records > total / 8) return false;
    qsizetype pos = 0;
    for (int record = 0; record < maxRecords; ++record) {
      if (pos + 8 > n) return false;
      const uint32_t type = ByteLE32(d + pos), size = ByteLE32(d + pos + 4);
      if (size < 8 || size % 4 != 0 || uint64_t(pos) + size > uint64_t(n)) return false;
      if (record == 0 && (type != 1 || size < 88)) return false;
      if (type == 14) return true;  // EMR_EOF
      pos += qsizetype(size);
    }
    return false;
  }
  qsizetype start = -1;
  if (n >= 4 && ByteLE32(d) == 0x9AC6CDD7) start = 22;  // placeable header
  else if (n >= 18 && (ByteLE16(d) == 1 || ByteLE16(d) == 2) && ByteLE16(d + 2) == 9) start = 0;
  if (start < 0) return true;  // not a metafile
  // Windows metafile: a 9-word header, then records of a size in words (at
  // least 3) and a function, up to the end-of-file record.
  if (start + 18 > n) return false;
  const uint32_t type = ByteLE16(d + start), words = ByteLE16(d + start + 2);
  if ((type != 1 && type != 2) || words != 9) return false;
  // The header's size in words and its largest record lie within the data
  // (the library allocates by them).
  const uint64_t size = ByteLE32(d + start + 6), largest = ByteLE32(d + start + 12);
  if (size * 2 > uint64_t(n - start) || largest > size) return false;
  qsizetype pos = start + 18;
  for (int record = 0; record < maxRecords; ++record) {
    if (pos == n) return true;  // ends without an end-of-file record
    if (pos + 6 > n) return false;
    const uint32_t size = ByteLE32(d + pos), function = ByteLE16(d + pos + 4);
    if (size < 3 || uint64_t(pos) + uint64_t(size) * 2 > uint64_t(n)) return false;
    if (function == 0) return true;
    pos += qsizetype(size) * 2;
  }
  return false;
}

Status GdiplusLoadImageFromBytes(const QByteArray& bytes, GpImage** image) {
  if (!image) return InvalidParameter;
  *image = nullptr;
  if (bytes.isEmpty()) return InvalidParameter;
  // The library's metafile player loops for ever on a record that does not
  // move on, and reads past records that run past the data.
  if (!GdiplusMetafileRecordsSound(bytes)) return InvalidParameter;
  auto load = Real<PFN_LoadImageFromDelegate>("GdipLoadImageFromDelegate_linux");
  if (!load) return NotImplemented;
  QByteArray copy = bytes;  // the delegates read through a non-const stream
  MemoryStream stream{&copy};
  CurrentStream current(&stream);
  Status status = load(&StreamGetHeader, &StreamGetBytes, &StreamPutBytes, &StreamSeek,
                       &StreamClose, &StreamSize, image);
  if (status != Ok) *image = nullptr;
  return status;
}

Status GdiplusSaveImageToBytes(GpImage* image, const CLSID& encoder,
                               const EncoderParameters* parameters, QByteArray& bytes) {
  if (!image) return InvalidParameter;
  auto save = Real<PFN_SaveImageToDelegate>("GdipSaveImageToDelegate_linux");
  if (!save) return NotImplemented;
  QByteArray result;
  MemoryStream stream{&result};
  CurrentStream current(&stream);
  Status status = save(image, &StreamGetBytes, &StreamPutBytes, &StreamSeek, &StreamClose,
                       &StreamSize, &encoder, parameters);
  if (status == Ok) bytes = result;
  return status;
}

// {557CF40x-1A04-11D3-9A73-0000F81EF32E}: the published encoder identifiers.
const CLSID GdiplusEncoderBmp = {0x557CF400, 0x1A04, 0x11D3,
                                 {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
const CLSID GdiplusEncoderJpeg = {0x557CF401, 0x1A04, 0x11D3,
                                  {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
const CLSID GdiplusEncoderGif = {0x557CF402, 0x1A04, 0x11D3,
                                 {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
const CLSID GdiplusEncoderTiff = {0x557CF405, 0x1A04, 0x11D3,
                                  {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
const CLSID GdiplusEncoderPng = {0x557CF406, 0x1A04, 0x11D3,
                                 {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
