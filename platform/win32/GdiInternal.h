#pragma once
// Internals shared by the GDI implementation files: the object classes, the
// handle table, the device-context state, the coordinate mapping and the
// raster core that applies GDI's mixing rules to a QImage. Not for use
// outside platform/win32.

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainterPath>
#include <QPolygonF>
#include <QRegion>
#include <QString>
#include <QTransform>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/win32/Gdi.h"

namespace gdi {

// Theme handles live in the same table under a type of their own.
inline constexpr DWORD OBJ_THEME = 0x40;

// ---------------------------------------------------------------------------
// Objects

struct GdiObject {
  explicit GdiObject(DWORD t) : type(t) {}
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  virtual ~GdiObject() = default;

  DWORD type;
  uintptr_t handle = 0;
  bool stock = false;
  std::atomic<int> useCount{0};  // references from device-context states
};

// A counted reference from a device-context state to a selected object: an
// object with references cannot be deleted.
template <class T>
class ObjRef {
 public:
  ObjRef() = default;
  explicit ObjRef(std::shared_ptr<T> p) : p_(std::move(p)) {
    if (p_) p_->useCount++;
  }
  ObjRef(const ObjRef& o) : p_(o.p_) {
    if (p_) p_->useCount++;
  }
  ObjRef(ObjRef&& o) noexcept : p_(std::move(o.p_)) {}
  ObjRef& operator=(ObjRef o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  ~ObjRef() {
    if (p_) p_->useCount--;
  }
  T* get() const { return p_.get(); }
  T* operator->() const { return p_.get(); }
  T& operator*() const { return *p_; }
  explicit operator bool() const { return bool(p_); }
  const std::shared_ptr<T>& shared() const { return p_; }

 private:
  std::shared_ptr<T> p_;
};

struct PenObject : GdiObject {
  PenObject() : GdiObject(OBJ_PEN) {}
  DWORD style = PS_SOLID;  // style, end cap, join and type bits
  int width = 0;           // logical units; 0 = one pixel
  COLORREF color = 0;
  LOGBRUSH brush{BS_SOLID, 0, 0};
  std::vector<DWORD> userStyle;
  bool dcPen = false;  // DC_PEN: the colour comes from the DC

  DWORD Kind() const { return style & PS_STYLE_MASK; }
};

struct BrushObject : GdiObject {
  BrushObject() : GdiObject(OBJ_BRUSH) {}
  UINT style = BS_SOLID;
  COLORREF color = 0;
  int hatch = 0;
  QImage pattern;  // BS_PATTERN: a copy of the bitmap at creation
  bool monoPattern = false;
  HBITMAP patternBitmap = nullptr;  // what GetObject reports
  bool dcBrush = false;             // DC_BRUSH: the colour comes from the DC
};

// A font realised at one device scale.
struct FontInstance {
  QFont font;
  QFontMetrics metrics{QFont()};
  TEXTMETRICW tm{};
  int pixelSize = 0;
  QString family;
};

struct FontObject : GdiObject {
  FontObject() : GdiObject(OBJ_FONT) {}
  LOGFONTW lf{};
  std::shared_ptr<const FontInstance> Instance(double scaleY) const;

 private:
  mutable std::mutex mutex_;
  mutable std::shared_ptr<const FontInstance> cached_;
  mutable double cachedScale_ = 0;
};

struct BitmapObject : GdiObject {
  BitmapObject() : GdiObject(OBJ_BITMAP) {}
  QImage image;  // the drawing surface, ARGB32 premultiplied
  bool mono = false;
  // DIB sections: the caller's view of the pixels lives in dibBuffer. A
  // top-down 32-bit section's image wraps that buffer itself; other layouts
  // are mirrored: copied from before and to after every operation.
  bool dib = false;
  bool mirrored = false;
  int dibBpp = 32;
  bool topDown = true;
  std::vector<uchar> dibBuffer;
  void* bits = nullptr;
  int dibStride = 0;
  BITMAPINFOHEADER dibHeader{};
  std::atomic<uintptr_t> ownerDc{0};  // the memory DC it is selected into

  bool Mirrored() const { return mirrored; }
  void LoadFromBits();  // caller's buffer -> image
  void StoreToBits();   // image -> caller's buffer
  // Brings a wrapped section's image back onto the caller's buffer after a
  // copy-on-write moved it (someone kept a shallow copy of the image).
  void Anchor();
};

struct RegionObject : GdiObject {
  RegionObject() : GdiObject(OBJ_REGION) {}
  QRegion rgn;
};

// A GDI path: points in device units with GDI's point types.
struct PathData {
  std::vector<QPointF> pts;
  std::vector<BYTE> types;
  void Clear() {
    pts.clear();
    types.clear();
  }
  bool Empty() const { return pts.empty(); }
  QPainterPath ToPainterPath(bool closeAll) const;
  // One polygon per figure (curves flattened) and whether it is closed.
  void Flatten(std::vector<QPolygonF>& polys, std::vector<bool>& closed) const;
};

enum class PathState { None, Open, Closed };

struct DcState {
  ObjRef<PenObject> pen;
  ObjRef<BrushObject> brush;
  ObjRef<FontObject> font;
  ObjRef<BitmapObject> bitmap;
  COLORREF textColor = 0;
  COLORREF bkColor = 0xFFFFFF;
  int bkMode = OPAQUE;
  int rop2 = R2_COPYPEN;
  int polyFillMode = ALTERNATE;
  int stretchMode = BLACKONWHITE;
  int arcDirection = AD_COUNTERCLOCKWISE;
  int graphicsMode = GM_COMPATIBLE;
  UINT textAlign = 0;
  int charExtra = 0;
  float miterLimit = 10.0f;
  COLORREF dcBrushColor = 0xFFFFFF;
  COLORREF dcPenColor = 0;
  int mapMode = MM_TEXT;
  POINT windowOrg{0, 0};
  POINT viewportOrg{0, 0};
  SIZE windowExt{1, 1};
  SIZE viewportExt{1, 1};
  POINT brushOrg{0, 0};
  POINT cp{0, 0};  // current position, logical units
  std::optional<QRegion> clip;  // device units; none = the whole surface
  PathData path;
  PathState pathState = PathState::None;
};

// Logical -> device: d = l * s + t per axis.
struct Mapping {
  double sx = 1, sy = 1, tx = 0, ty = 0;
  bool identityScale = true;
  QPointF Map(double x, double y) const { return {x * sx + tx, y * sy + ty}; }
  QPoint MapInt(int x, int y) const;
  QPointF Unmap(double x, double y) const { return {(x - tx) / sx, (y - ty) / sy}; }
  // A logical rectangle (l, t, r, b) in device units, normalised.
  QRect MapRect(int l, int t, int r, int b) const;
};

// Printer DCs keep text as text: one run as DrawTextRun would have drawn it
// (device units), written over the page's pixels when the page ends.
struct TextLayerRun {
  QTransform transform;  // to the run's reference point, rotated
  QFont font;
  QColor color;
  std::optional<QRegion> clip;
  bool rtl = false;
  QPointF origin;  // baseline start (left-to-right runs)
  QRectF box;      // layout box (right-to-left runs)
  QString text;
};
struct PrinterPage;  // Printing.cpp

struct DcObject : GdiObject {
  DcObject() : GdiObject(OBJ_DC) {}
  bool memory = false;
  QImage* external = nullptr;
  int dpi = 96;
  DcState s;
  std::vector<DcState> saved;
  int styleOffset = 0;  // position in a cosmetic pen's pattern, kept from LineTo to LineTo
  // Printer DCs: the document and page state; text runs go to textLayer.
  std::shared_ptr<PrinterPage> printer;
  std::vector<TextLayerRun>* textLayer = nullptr;

  // The pixels drawing goes to; null when nothing can be drawn (a memory DC
  // holding its default bitmap).
  QImage* Surface() const;
  BitmapObject* SurfaceBitmap() const { return memory ? s.bitmap.get() : nullptr; }
  QRect SurfaceRect() const;
  Mapping Map() const;
  bool InPath() const { return s.pathState == PathState::Open; }
  std::shared_ptr<const FontInstance> Font() const;
  // Scale of logical lengths along x and y (absolute).
  double ScaleX() const;
  double ScaleY() const;
};

// ---------------------------------------------------------------------------
// Handle table

uintptr_t Register(std::shared_ptr<GdiObject> obj);
std::shared_ptr<GdiObject> Lookup(const void* h);
// Removes the object from the table unless it is a stock object or in use.
bool Unregister(const void* h);

template <class T>
std::shared_ptr<T> LookupAs(const void* h, DWORD type) {
  auto obj = Lookup(h);
  if (!obj || obj->type != type) return nullptr;
  return std::static_pointer_cast<T>(obj);
}

std::shared_ptr<DcObject> GetDc(HDC hdc);  // sets ERROR_INVALID_HANDLE on failure
std::shared_ptr<GdiObject> StockObject(int index);
std::shared_ptr<BrushObject> SysColorBrushObject(int index);
// Gives the system colour brushes the colours of the current table.
void RefreshSysColorBrushes();
// A brush handle, or a system colour index + 1 given in its place.
std::shared_ptr<BrushObject> ResolveBrush(HBRUSH hbr);

template <class T>
T* AsHandle(uintptr_t v) {
  return reinterpret_cast<T*>(v);
}

// While alive, keeps a mirrored DIB section's image in step with its buffer.
class SurfaceAccess {
 public:
  SurfaceAccess(const DcObject& dc, bool writes);
  ~SurfaceAccess();
  SurfaceAccess(const SurfaceAccess&) = delete;
  SurfaceAccess& operator=(const SurfaceAccess&) = delete;
  QImage* image() const { return image_; }

 private:
  BitmapObject* bitmap_ = nullptr;
  QImage* image_ = nullptr;
  bool writes_;
};

// ---------------------------------------------------------------------------
// Raster core

inline uint32_t ToPixel(COLORREF c) {
  return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
inline COLORREF FromPixel(uint32_t p) { return ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16); }
inline COLORREF PlainColor(COLORREF c) { return c & 0x00FFFFFF; }

uint32_t Rop2(int rop, uint32_t pen, uint32_t dst);
// A ternary raster operation (its index byte) on pattern, source, destination.
uint32_t Rop3(uint8_t index, uint32_t p, uint32_t s, uint32_t d);
inline uint8_t RopIndex(DWORD rop) { return uint8_t((rop >> 16) & 0xFF); }
inline bool RopUsesSource(uint8_t i) { return ((i >> 2) & 0x33) != (i & 0x33); }
inline bool RopUsesPattern(uint8_t i) { return ((i >> 4) & 0x0F) != (i & 0x0F); }

// A set of device pixels within a bounding rectangle, one byte per pixel.
class PixelMask {
 public:
  PixelMask() = default;
  explicit PixelMask(const QRect& bounds);
  const QRect& Bounds() const { return bounds_; }
  bool IsEmpty() const { return bounds_.isEmpty(); }
  bool Test(int x, int y) const {
    return bounds_.contains(x, y) && image_.constScanLine(y - bounds_.top())[x - bounds_.left()];
  }
  void Set(int x, int y) {
    if (bounds_.contains(x, y)) image_.scanLine(y - bounds_.top())[x - bounds_.left()] = 0xFF;
  }
  void Clear(int x, int y) {
    if (bounds_.contains(x, y)) image_.scanLine(y - bounds_.top())[x - bounds_.left()] = 0;
  }
  // The row of y, indexed from Bounds().left().
  const uint8_t* Row(int y) const { return image_.constScanLine(y - bounds_.top()); }
  void Subtract(const PixelMask& o);
  QRegion ToRegion() const;

  // The pixels whose centres lie inside the path (top-left rule), limited to
  // the given rectangle.
  static PixelMask FromPath(const QPainterPath& path, Qt::FillRule rule, const QRect& limit);

 private:
  QRect bounds_;
  QImage image_;  // Format_Alpha8
};

// The colour a fill puts at each pixel.
struct PaintSource {
  enum Kind { Solid, Hatch, Pattern, Nothing };
  Kind kind = Solid;
  uint32_t color = 0xFF000000;  // solid colour, hatch lines
  uint32_t bk = 0xFFFFFFFF;     // hatch background, mono pattern 1 bits
  uint32_t fore = 0xFF000000;   // mono pattern 0 bits
  bool opaqueBk = true;         // hatch background drawn
  int hatch = 0;
  const QImage* pattern = nullptr;
  bool monoPattern = false;
  QPoint origin;
  // False when the pixel stays untouched (a transparent hatch background).
  bool At(int x, int y, uint32_t& out) const;
};

// A brush as seen by a DC (its colours, mode and brush origin).
PaintSource BrushSource(const DcObject& dc, const BrushObject& brush, bool forceOpaque = false);
PaintSource SolidSource(COLORREF c);

// Where fills and pixels go: a surface, a clip and a mix mode.
class Target {
 public:
  Target(QImage* image, const std::optional<QRegion>& clip, int rop2, bool mono = false);
  bool Valid() const { return image_ != nullptr; }
  void FillRect(const QRect& r, const PaintSource& src) const;
  void FillMask(const PixelMask& m, const PaintSource& src) const;
  void FillRegion(const QRegion& rgn, const PaintSource& src) const;
  void Plot(int x, int y, uint32_t color) const;
  bool Visible(int x, int y) const;
  // The part of the surface drawing may reach.
  QRect Limit() const { return limit_; }
  // Whether a solid fill of a rectangle within Limit() is a plain copy of
  // its colour: the copy mix mode on a colour surface, and no clip but
  // Limit() itself.
  bool PlainCopy() const { return image_ && rop2_ == R2_COPYPEN && !mono_ && (!clip_ || clip_->rectCount() <= 1); }
  QImage* Image() const { return image_; }
  // Calls f for each visible part of r (device units).
  template <class F>
  void ForEachClipRect(const QRect& r, F&& f) const {
    const QRect area = r & limit_;
    if (area.isEmpty()) return;
    if (!clip_) {
      f(area);
      return;
    }
    for (const QRect& c : *clip_) {
      const QRect i = c & area;
      if (!i.isEmpty()) f(i);
    }
  }

 private:
  uint32_t Mix(uint32_t src, uint32_t dst) const;
  QImage* image_;
  const QRegion* clip_;
  int rop2_;
  bool mono_;
  QRect limit_;
};

// Thin (one-pixel) line pixels with their pattern state.
struct LinePixel {
  int x, y;
  bool on;
};

// A cosmetic pen pattern in pixels (on, off, on, ...); empty for solid.
std::vector<int> CosmeticPattern(const PenObject& pen);

class LineWalker {
 public:
  LineWalker(const std::vector<int>* pattern, int offset, const QRect& limit)
      : pattern_(pattern), pos_(offset), limit_(limit) {}
  // The pixels of the segment from a to b, without the last one.
  void Segment(QPoint a, QPoint b);
  // A figure through the points; closed figures come back to the start.
  void Polyline(const std::vector<QPoint>& pts, bool closed);
  // A curved figure: rounded, cleaned of corner steps, each pixel once.
  void Curve(const QPolygonF& poly, bool closed);
  // Pixels given in order (a loop from EllipseLoop), each once.
  void Loop(const std::vector<QPoint>& pixels);
  std::vector<LinePixel>& Pixels() { return pixels_; }
  int Offset() const { return pos_; }

 private:
  bool On(int pos) const;
  const std::vector<int>* pattern_;
  int pos_;
  QRect limit_;
  std::vector<LinePixel> pixels_;
};

// Whether Ellipse and RoundRect write the kept runs of pixels of each kind
// of shape (on by default) or rasterise every shape; returns the previous
// setting. The tests compare both ways.
bool UseShapeRuns(bool On);

// The outline pixels of an ellipse in drawing order, symmetric about both
// axes (one quadrant computed, three mirrored).
std::vector<QPoint> EllipseLoop(QPointF centre, double rx, double ry);

// ---------------------------------------------------------------------------
// Drawing helpers used across files

// The pen's effective colour in this DC.
COLORREF PenColor(const DcObject& dc, const PenObject& pen);
bool PenIsNull(const DcObject& dc);
// Device width of the pen (>= 1).
double PenDeviceWidth(const DcObject& dc, const PenObject& pen);
bool PenIsThin(const DcObject& dc, const PenObject& pen);
bool BrushIsNull(const DcObject& dc);

// Strokes figures (device units) with the DC's pen; returns the pixels
// painted so that a fill can leave them out. Closed figures are closed;
// insideFrame shrinks nothing (the caller does).
// painted (optional) receives the pixels; styleOffset (optional) carries a
// cosmetic pattern's position in and out.
void StrokeFigures(DcObject& dc, const Target& target, const std::vector<QPolygonF>& polys,
                   const std::vector<bool>& closed, bool curved, PixelMask* painted,
                   int* styleOffset = nullptr, const std::vector<QPoint>* thinLoop = nullptr);
// Fills a path (device units) with the DC's brush, leaving out pen pixels.
void FillShape(DcObject& dc, const Target& target, const QPainterPath& path, Qt::FillRule rule,
               const PixelMask* exclude);

Target DrawTarget(const DcObject& dc, QImage* image);

// GetDeviceCaps of a printer DC: true with value set for the indexes a
// printer answers differently from an image DC.
bool PrinterDeviceCaps(const DcObject& dc, int index, int& value);

// Text
QString FromWide(LPCWSTR s, int count);
int TextWidth(const FontInstance& fi, const QString& text, int charExtra);
// Draws one run of text with its reference point at the device point ref,
// aligned by align (TA_* horizontal and vertical bits), with the font's
// escapement, with an opaque background when asked. Returns the advance in
// device units along the baseline when wantAdvance, else -1; width, when
// the caller knows it already (>= 0), saves measuring the run again.
int DrawTextRun(DcObject& dc, QImage* image, QPointF ref, UINT align, const QString& text,
                const std::optional<QRegion>& clip, bool rtl, bool opaque, bool wantAdvance = true,
                int width = -1);
void AddTextToPath(DcObject& dc, QPointF ref, UINT align, const QString& text);

// Region helpers
int RegionType(const QRegion& r);
// Combines the DC's clip with a device-unit region (null only with RGN_COPY,
// which then removes the clip); returns the new clip's region type.
int CombineClip(DcObject& dc, const QRegion* rgn, int mode);
// The region drawing is confined to: the clip, or the whole surface.
QRegion EffectiveClip(const DcObject& dc);
// The region of polygons (device units) under a fill rule.
QRegion PolygonsRegion(const std::vector<QPolygonF>& polys, Qt::FillRule rule);
// A logical-unit region in device units.
QRegion MapRegion(const DcObject& dc, const QRegion& r);

// Paths: adds to the DC's path (device units).
void PathMoveTo(DcObject& dc, QPointF p);
void PathLineTo(DcObject& dc, QPointF p);
void PathBezierTo(DcObject& dc, QPointF c1, QPointF c2, QPointF p);
void PathClose(DcObject& dc);
// Adds the subpaths of p as closed figures.
void PathAddPainterPath(DcObject& dc, const QPainterPath& p);

}  // namespace gdi
