// GDI objects: the handle table, stock objects, creation, selection,
// deletion and GetObject.

#include <QFontInfo>
#include <QFontMetricsF>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/win32/GdiInternal.h"

namespace gdi {

namespace {

// Handle value: generation << 32 | slot << 8 | object type. Slot 0 is never
// used, so no handle is 0 and none is below 256 (values a system colour
// index + 1 may take where a brush is expected).
constexpr uint32_t kMaxSlots = 1u << 24;

struct Slot {
  std::shared_ptr<GdiObject> obj;
  uint32_t gen = 1;
};

struct Table {
  std::mutex mutex;
  std::vector<Slot> entries = std::vector<Slot>(1);
  std::vector<uint32_t> freeSlots;
};

Table& table() {
  static Table* t = new Table;  // lives for the whole process
  return *t;
}

void Decode(const void* h, uint32_t& slot, uint32_t& gen, uint32_t& type) {
  const uint64_t v = reinterpret_cast<uintptr_t>(h);
  type = uint32_t(v & 0xFF);
  slot = uint32_t((v >> 8) & 0xFFFFFF);
  gen = uint32_t(v >> 32);
}

}  // namespace

uintptr_t Register(std::shared_ptr<GdiObject> obj) {
  Table& t = table();
  std::lock_guard<std::mutex> lock(t.mutex);
  uint32_t idx;
  if (!t.freeSlots.empty()) {
    idx = t.freeSlots.back();
    t.freeSlots.pop_back();
  } else {
    if (t.entries.size() >= kMaxSlots) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return 0;
    }
    idx = uint32_t(t.entries.size());
    t.entries.emplace_back();
  }
  Slot& s = t.entries[idx];
  const uintptr_t h = (uintptr_t(s.gen) << 32) | (uintptr_t(idx) << 8) | (obj->type & 0xFF);
  obj->handle = h;
  s.obj = std::move(obj);
  return h;
}

std::shared_ptr<GdiObject> Lookup(const void* h) {
  if (!h) return nullptr;
  uint32_t idx, gen, type;
  Decode(h, idx, gen, type);
  Table& t = table();
  std::lock_guard<std::mutex> lock(t.mutex);
  if (idx == 0 || idx >= t.entries.size()) return nullptr;
  const Slot& s = t.entries[idx];
  if (s.gen != gen || !s.obj || (s.obj->type & 0xFF) != type) return nullptr;
  return s.obj;
}

bool Unregister(const void* h) {
  uint32_t idx, gen, type;
  Decode(h, idx, gen, type);
  Table& t = table();
  std::shared_ptr<GdiObject> doomed;  // released outside the lock
  {
    std::lock_guard<std::mutex> lock(t.mutex);
    if (idx == 0 || idx >= t.entries.size()) return false;
    Slot& s = t.entries[idx];
    if (s.gen != gen || !s.obj || (s.obj->type & 0xFF) != type) return false;
    if (s.obj->stock || s.obj->useCount.load() > 0) return false;
    doomed = std::move(s.obj);
    s.obj.reset();
    s.gen = s.gen == 0xFFFFFFFFu ? 1 : s.gen + 1;
    t.freeSlots.push_back(idx);
  }
  return true;
}

std::shared_ptr<DcObject> GetDc(HDC hdc) {
  auto dc = LookupAs<DcObject>(hdc, OBJ_DC);
  if (!dc) SetLastError(ERROR_INVALID_HANDLE);
  return dc;
}

// ---------------------------------------------------------------------------
// Stock objects

namespace {

constexpr int kStockCount = 20;
constexpr int kDefaultBitmap = kStockCount;  // internal: a memory DC's first bitmap
constexpr int kSysColorCount = 31;

LOGFONTW MakeLogFont(int height, int weight, const char16_t* face, BYTE pitchAndFamily) {
  LOGFONTW lf{};
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfPitchAndFamily = pitchAndFamily;
  for (int i = 0; face[i] && i < LF_FACESIZE - 1; ++i) lf.lfFaceName[i] = face[i];
  return lf;
}

struct StockTable {
  std::shared_ptr<GdiObject> objects[kStockCount + 1];
  std::shared_ptr<BrushObject> sysBrushes[kSysColorCount];

  StockTable() {
    auto brush = [](COLORREF c, UINT style) {
      auto b = std::make_shared<BrushObject>();
      b->style = style;
      b->color = c;
      return b;
    };
    auto pen = [](COLORREF c, DWORD style) {
      auto p = std::make_shared<PenObject>();
      p->style = style;
      p->color = c;
      return p;
    };
    auto font = [](const LOGFONTW& lf) {
      auto f = std::make_shared<FontObject>();
      f->lf = lf;
      return f;
    };
    objects[WHITE_BRUSH] = brush(0xFFFFFF, BS_SOLID);
    objects[LTGRAY_BRUSH] = brush(0xC0C0C0, BS_SOLID);
    objects[GRAY_BRUSH] = brush(0x808080, BS_SOLID);
    objects[DKGRAY_BRUSH] = brush(0x404040, BS_SOLID);
    objects[BLACK_BRUSH] = brush(0x000000, BS_SOLID);
    objects[NULL_BRUSH] = brush(0, BS_NULL);
    objects[WHITE_PEN] = pen(0xFFFFFF, PS_SOLID);
    objects[BLACK_PEN] = pen(0x000000, PS_SOLID);
    objects[NULL_PEN] = pen(0, PS_NULL);
    objects[OEM_FIXED_FONT] = font(MakeLogFont(12, FW_NORMAL, u"Terminal", FIXED_PITCH | FF_MODERN));
    objects[ANSI_FIXED_FONT] = font(MakeLogFont(13, FW_NORMAL, u"Courier", FIXED_PITCH | FF_MODERN));
    objects[ANSI_VAR_FONT] = font(MakeLogFont(13, FW_NORMAL, u"MS Sans Serif", VARIABLE_PITCH | FF_SWISS));
    objects[SYSTEM_FONT] = font(MakeLogFont(16, FW_BOLD, u"System", VARIABLE_PITCH | FF_SWISS));
    objects[DEVICE_DEFAULT_FONT] = font(MakeLogFont(16, FW_BOLD, u"System", VARIABLE_PITCH | FF_SWISS));
    objects[SYSTEM_FIXED_FONT] = font(MakeLogFont(16, FW_NORMAL, u"Fixedsys", FIXED_PITCH | FF_MODERN));
    objects[DEFAULT_GUI_FONT] = font(MakeLogFont(-11, FW_NORMAL, u"MS Shell Dlg", VARIABLE_PITCH | FF_SWISS));
    auto dcBrush = brush(0xFFFFFF, BS_SOLID);
    dcBrush->dcBrush = true;
    objects[DC_BRUSH] = dcBrush;
    auto dcPen = pen(0, PS_SOLID);
    dcPen->dcPen = true;
    objects[DC_PEN] = dcPen;
    auto bmp = std::make_shared<BitmapObject>();
    bmp->image = QImage(1, 1, QImage::Format_ARGB32_Premultiplied);
    bmp->image.fill(0xFF000000);
    bmp->mono = true;
    objects[kDefaultBitmap] = bmp;
    for (auto& o : objects) {
      if (!o) continue;
      o->stock = true;
      Register(o);
    }
    for (int i = 0; i < kSysColorCount; ++i) {
      sysBrushes[i] = brush(GetSysColor(i), BS_SOLID);
      sysBrushes[i]->stock = true;
      Register(sysBrushes[i]);
    }
  }
};

StockTable& stock() {
  static StockTable* s = new StockTable;
  return *s;
}

}  // namespace

std::shared_ptr<GdiObject> StockObject(int index) {
  if (index < 0 || index > kStockCount) return nullptr;
  return stock().objects[index];
}

std::shared_ptr<BrushObject> SysColorBrushObject(int index) {
  if (index < 0 || index >= kSysColorCount) return nullptr;
  return stock().sysBrushes[index];
}

void RefreshSysColorBrushes() {
  auto& s = stock();
  for (int i = 0; i < kSysColorCount; ++i) s.sysBrushes[i]->color = GetSysColor(i);
}

std::shared_ptr<BrushObject> ResolveBrush(HBRUSH hbr) {
  const uintptr_t v = reinterpret_cast<uintptr_t>(hbr);
  if (v > 0 && v <= uintptr_t(kSysColorCount)) return SysColorBrushObject(int(v) - 1);
  return LookupAs<BrushObject>(hbr, OBJ_BRUSH);
}

// ---------------------------------------------------------------------------
// Bitmaps

void BitmapObject::LoadFromBits() {
  if (!Mirrored()) return;
  const int w = image.width(), h = image.height();
  for (int y = 0; y < h; ++y) {
    const int srcRow = topDown ? y : h - 1 - y;
    const uchar* src = dibBuffer.data() + size_t(srcRow) * dibStride;
    auto* dst = reinterpret_cast<uint32_t*>(image.scanLine(y));
    if (dibBpp == 32) {
      std::memcpy(dst, src, size_t(w) * 4);
    } else {
      for (int x = 0; x < w; ++x)
        dst[x] = 0xFF000000u | (uint32_t(src[x * 3 + 2]) << 16) | (uint32_t(src[x * 3 + 1]) << 8) |
                 src[x * 3];
    }
  }
}

void BitmapObject::Anchor() {
  if (!dib || mirrored || image.constBits() == bits) return;
  const int w = image.width(), h = image.height();
  for (int y = 0; y < h; ++y)
    std::memcpy(static_cast<uchar*>(bits) + size_t(y) * dibStride, image.constScanLine(y), size_t(w) * 4);
  image = QImage(static_cast<uchar*>(bits), w, h, dibStride, QImage::Format_ARGB32_Premultiplied);
}

void BitmapObject::StoreToBits() {
  if (!Mirrored()) return;
  const int w = image.width(), h = image.height();
  for (int y = 0; y < h; ++y) {
    const int dstRow = topDown ? y : h - 1 - y;
    uchar* dst = dibBuffer.data() + size_t(dstRow) * dibStride;
    const auto* src = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
    if (dibBpp == 32) {
      std::memcpy(dst, src, size_t(w) * 4);
    } else {
      for (int x = 0; x < w; ++x) {
        dst[x * 3] = uchar(src[x] & 0xFF);
        dst[x * 3 + 1] = uchar((src[x] >> 8) & 0xFF);
        dst[x * 3 + 2] = uchar((src[x] >> 16) & 0xFF);
      }
    }
  }
}

SurfaceAccess::SurfaceAccess(const DcObject& dc, bool writes) : writes_(writes) {
  bitmap_ = dc.SurfaceBitmap();
  if (bitmap_) {
    bitmap_->Anchor();
    if (bitmap_->Mirrored()) bitmap_->LoadFromBits();
  }
  image_ = dc.Surface();
}

SurfaceAccess::~SurfaceAccess() {
  if (!writes_ || !bitmap_) return;
  if (bitmap_->Mirrored()) bitmap_->StoreToBits();
  else bitmap_->Anchor();
}

namespace {

bool ValidImageSize(int w, int h) {
  return w > 0 && h > 0 && w <= 65535 && h <= 65535 && int64_t(w) * h <= (int64_t(1) << 26);
}

std::shared_ptr<BitmapObject> NewBitmap(int w, int h) {
  if (!ValidImageSize(w, h)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto b = std::make_shared<BitmapObject>();
  b->image = QImage(w, h, QImage::Format_ARGB32_Premultiplied);
  if (b->image.isNull()) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return b;
}

HBITMAP DefaultBitmapHandle() {
  return AsHandle<HBITMAP__>(StockObject(kDefaultBitmap)->handle);
}

}  // namespace

}  // namespace gdi

using namespace gdi;

// ---------------------------------------------------------------------------
// Public entry points

HGDIOBJ GetStockObject(int i) {
  if (i < 0 || i >= kStockCount || i == 9) return nullptr;
  auto o = StockObject(i);
  return o ? reinterpret_cast<HGDIOBJ>(o->handle) : nullptr;
}

DWORD GetObjectType(HGDIOBJ h) {
  auto o = Lookup(h);
  if (!o || o->type == OBJ_THEME) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (o->type == OBJ_DC) return static_cast<DcObject&>(*o).memory ? OBJ_MEMDC : OBJ_DC;
  return o->type;
}

BOOL DeleteObject(HGDIOBJ ho) {
  auto o = Lookup(ho);
  if (!o || o->type == OBJ_DC || o->type == OBJ_THEME) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (o->stock) return TRUE;
  if (o->useCount.load() > 0) return FALSE;  // still selected into a DC
  return Unregister(ho) ? TRUE : FALSE;
}

HPEN CreatePen(int iStyle, int cWidth, COLORREF color) {
  const DWORD kind = DWORD(iStyle) & PS_STYLE_MASK;
  if (iStyle < 0 || kind > PS_INSIDEFRAME || (DWORD(iStyle) & ~PS_STYLE_MASK) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto p = std::make_shared<PenObject>();
  p->width = std::abs(cWidth);
  // Only solid, null and inside-frame pens may be wider than one unit.
  p->style = (p->width > 1 && kind != PS_NULL && kind != PS_INSIDEFRAME) ? PS_SOLID : kind;
  p->color = color;
  p->brush = LOGBRUSH{BS_SOLID, color, 0};
  return AsHandle<HPEN__>(Register(p));
}

HPEN CreatePenIndirect(const LOGPEN* plpen) {
  if (!plpen) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreatePen(int(plpen->lopnStyle), plpen->lopnWidth.x, plpen->lopnColor);
}

HPEN ExtCreatePen(DWORD iPenStyle, DWORD cWidth, const LOGBRUSH* plbrush, DWORD cStyle,
                  const DWORD* pstyle) {
  const DWORD type = iPenStyle & PS_TYPE_MASK;
  const DWORD kind = iPenStyle & PS_STYLE_MASK;
  const bool userStyle = kind == PS_USERSTYLE;
  bool ok = plbrush && (type == PS_COSMETIC || type == PS_GEOMETRIC) && kind <= PS_ALTERNATE &&
            (iPenStyle & ~(PS_TYPE_MASK | PS_STYLE_MASK | PS_ENDCAP_MASK | PS_JOIN_MASK)) == 0 &&
            (iPenStyle & PS_ENDCAP_MASK) <= PS_ENDCAP_FLAT && (iPenStyle & PS_JOIN_MASK) <= PS_JOIN_MITER;
  if (ok && type == PS_COSMETIC) ok = cWidth == 1 && plbrush->lbStyle == BS_SOLID;
  if (ok && type == PS_GEOMETRIC) ok = kind != PS_ALTERNATE;
  if (ok) ok = userStyle ? (cStyle > 0 && cStyle <= 16 && pstyle) : (cStyle == 0 && !pstyle);
  if (ok && plbrush->lbStyle != BS_SOLID && plbrush->lbStyle != BS_NULL &&
      plbrush->lbStyle != BS_HATCHED)
    ok = false;
  if (ok && userStyle) {
    DWORD total = 0;
    for (DWORD i = 0; i < cStyle; ++i) total += pstyle[i];
    ok = total > 0;
  }
  if (!ok) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto p = std::make_shared<PenObject>();
  p->type = OBJ_EXTPEN;
  p->style = iPenStyle;
  p->width = int(std::min<DWORD>(cWidth, 1u << 20));
  p->color = plbrush->lbColor;
  p->brush = *plbrush;
  if (plbrush->lbStyle == BS_NULL) p->style = (p->style & ~PS_STYLE_MASK) | PS_NULL;
  if (userStyle) p->userStyle.assign(pstyle, pstyle + cStyle);
  return AsHandle<HPEN__>(Register(p));
}

HBRUSH CreateSolidBrush(COLORREF color) {
  auto b = std::make_shared<BrushObject>();
  b->style = BS_SOLID;
  b->color = color;
  return AsHandle<HBRUSH__>(Register(b));
}

HBRUSH CreateHatchBrush(int iHatch, COLORREF color) {
  if (iHatch < HS_HORIZONTAL || iHatch > HS_DIAGCROSS) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto b = std::make_shared<BrushObject>();
  b->style = BS_HATCHED;
  b->color = color;
  b->hatch = iHatch;
  return AsHandle<HBRUSH__>(Register(b));
}

HBRUSH CreatePatternBrush(HBITMAP hbm) {
  auto bmp = LookupAs<BitmapObject>(hbm, OBJ_BITMAP);
  if (!bmp) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  bmp->Anchor();
  if (bmp->Mirrored()) bmp->LoadFromBits();
  auto b = std::make_shared<BrushObject>();
  b->style = BS_PATTERN;
  b->pattern = bmp->image.copy();  // a deep copy: the bitmap may change or go
  b->monoPattern = bmp->mono;
  b->patternBitmap = hbm;
  return AsHandle<HBRUSH__>(Register(b));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* plbrush) {
  if (!plbrush) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  switch (plbrush->lbStyle) {
    case BS_SOLID:
      return CreateSolidBrush(plbrush->lbColor);
    case BS_HATCHED:
      return CreateHatchBrush(int(plbrush->lbHatch), plbrush->lbColor);
    case BS_PATTERN:
    case BS_PATTERN8X8:
      return CreatePatternBrush(reinterpret_cast<HBITMAP>(plbrush->lbHatch));
    case BS_NULL: {
      auto b = std::make_shared<BrushObject>();
      b->style = BS_NULL;
      return AsHandle<HBRUSH__>(Register(b));
    }
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
  }
}

HFONT CreateFontIndirectW(const LOGFONTW* lplf) {
  if (!lplf) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto f = std::make_shared<FontObject>();
  f->lf = *lplf;
  f->lf.lfFaceName[LF_FACESIZE - 1] = 0;  // a face name always ends inside the record
  return AsHandle<HFONT__>(Register(f));
}

HFONT CreateFontW(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight,
                  DWORD bItalic, DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet,
                  DWORD iOutPrecision, DWORD iClipPrecision, DWORD iQuality,
                  DWORD iPitchAndFamily, LPCWSTR pszFaceName) {
  LOGFONTW lf{};
  lf.lfHeight = cHeight;
  lf.lfWidth = cWidth;
  lf.lfEscapement = cEscapement;
  lf.lfOrientation = cOrientation;
  lf.lfWeight = cWeight;
  lf.lfItalic = BYTE(bItalic != 0);
  lf.lfUnderline = BYTE(bUnderline != 0);
  lf.lfStrikeOut = BYTE(bStrikeOut != 0);
  lf.lfCharSet = BYTE(iCharSet);
  lf.lfOutPrecision = BYTE(iOutPrecision);
  lf.lfClipPrecision = BYTE(iClipPrecision);
  lf.lfQuality = BYTE(iQuality);
  lf.lfPitchAndFamily = BYTE(iPitchAndFamily);
  if (pszFaceName)
    for (int i = 0; i < LF_FACESIZE - 1 && pszFaceName[i]; ++i) lf.lfFaceName[i] = pszFaceName[i];
  return CreateFontIndirectW(&lf);
}

HBITMAP CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits) {
  if (nWidth < 0 || nHeight < 0 || nPlanes != 1) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (nWidth == 0 || nHeight == 0) return DefaultBitmapHandle();
  if (nBitCount != 1 && nBitCount != 24 && nBitCount != 32) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto b = NewBitmap(nWidth, nHeight);
  if (!b) return nullptr;
  b->mono = nBitCount == 1;
  b->image.fill(0xFF000000);
  if (lpBits) {
    // Rows of device-dependent bitmaps are word-aligned.
    const auto* src = static_cast<const uchar*>(lpBits);
    const int stride = ((nWidth * int(nBitCount) + 15) / 16) * 2;
    for (int y = 0; y < nHeight; ++y) {
      const uchar* row = src + size_t(y) * stride;
      auto* dst = reinterpret_cast<uint32_t*>(b->image.scanLine(y));
      for (int x = 0; x < nWidth; ++x) {
        if (nBitCount == 1) {
          dst[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 0xFFFFFFFFu : 0xFF000000u;
        } else if (nBitCount == 24) {
          dst[x] = 0xFF000000u | (uint32_t(row[x * 3 + 2]) << 16) |
                   (uint32_t(row[x * 3 + 1]) << 8) | row[x * 3];
        } else {
          dst[x] = 0xFF000000u | (reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF);
        }
      }
    }
  }
  return AsHandle<HBITMAP__>(Register(b));
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
  if (!GetDc(hdc)) return nullptr;
  if (cx < 0 || cy < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (cx == 0 || cy == 0) return DefaultBitmapHandle();
  auto b = NewBitmap(cx, cy);
  if (!b) return nullptr;
  b->image.fill(0xFF000000);
  return AsHandle<HBITMAP__>(Register(b));
}

HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage, void** ppvBits,
                         HANDLE hSection, DWORD offset) {
  if (ppvBits) *ppvBits = nullptr;
  if (hdc && !GetDc(hdc)) return nullptr;
  if (!pbmi || hSection || offset != 0 || usage != DIB_RGB_COLORS) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const BITMAPINFOHEADER& h = pbmi->bmiHeader;
  const int w = h.biWidth;
  const int height = h.biHeight == INT32_MIN ? 0 : std::abs(h.biHeight);
  bool ok = h.biSize >= sizeof(BITMAPINFOHEADER) && h.biPlanes == 1 &&
            (h.biBitCount == 32 || h.biBitCount == 24) && ValidImageSize(w, height);
  if (ok && h.biCompression == BI_BITFIELDS) {
    const auto* masks = reinterpret_cast<const DWORD*>(pbmi->bmiColors);
    ok = h.biBitCount == 32 && masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF;
  } else if (ok) {
    ok = h.biCompression == BI_RGB;
  }
  if (!ok) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto b = NewBitmap(w, height);
  if (!b) return nullptr;
  b->dib = true;
  b->dibBpp = h.biBitCount;
  b->topDown = h.biHeight < 0;
  b->dibHeader = h;
  b->dibHeader.biSize = sizeof(BITMAPINFOHEADER);
  b->dibStride = ((w * h.biBitCount + 31) / 32) * 4;
  b->dibHeader.biSizeImage = DWORD(b->dibStride) * DWORD(height);
  b->dibBuffer.assign(size_t(b->dibStride) * height, 0);  // DIB sections start zeroed
  b->bits = b->dibBuffer.data();
  if (b->topDown && b->dibBpp == 32) {
    // The surface is the caller's buffer itself.
    b->image = QImage(b->dibBuffer.data(), w, height, b->dibStride, QImage::Format_ARGB32_Premultiplied);
  } else {
    b->image.fill(0);
    b->mirrored = true;
  }
  if (ppvBits) *ppvBits = b->bits;
  return AsHandle<HBITMAP__>(Register(b));
}

BOOL GetBitmapDimensionEx(HBITMAP hbit, LPSIZE lpsize) {
  // The dimension is a value an application may attach to a bitmap; it is
  // never set here, so it is zero.
  if (!LookupAs<BitmapObject>(hbit, OBJ_BITMAP)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (lpsize) *lpsize = SIZE{0, 0};
  return TRUE;
}

HBITMAP CreateBitmapFromImage(const QImage& image) {
  if (image.isNull()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto b = NewBitmap(image.width(), image.height());
  if (!b) return nullptr;
  b->image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied).copy();
  return AsHandle<HBITMAP__>(Register(b));
}

QImage* GetBitmapImage(HBITMAP hbm) {
  auto b = LookupAs<BitmapObject>(hbm, OBJ_BITMAP);
  if (!b || b->stock) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  b->Anchor();
  if (b->Mirrored()) b->LoadFromBits();
  return &b->image;
}

int GetObjectW(HANDLE h, int c, LPVOID pv) {
  auto o = Lookup(h);
  if (!o || c < 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  auto copyOut = [&](const void* data, int size) -> int {
    if (!pv) return size;
    if (c < size) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return 0;
    }
    std::memcpy(pv, data, size_t(size));
    return size;
  };
  switch (o->type) {
    case OBJ_PEN: {
      auto& p = static_cast<PenObject&>(*o);
      LOGPEN lp{UINT(p.style), POINT{p.width, 0}, p.color};
      return copyOut(&lp, sizeof(lp));
    }
    case OBJ_EXTPEN: {
      auto& p = static_cast<PenObject&>(*o);
      const int n = int(p.userStyle.size());
      const int size = int(offsetof(EXTLOGPEN, elpStyleEntry)) + std::max(1, n) * int(sizeof(DWORD));
      std::vector<uchar> buf(size_t(size), 0);
      auto* e = reinterpret_cast<EXTLOGPEN*>(buf.data());
      e->elpPenStyle = p.style;
      e->elpWidth = DWORD(p.width);
      e->elpBrushStyle = p.brush.lbStyle;
      e->elpColor = p.brush.lbColor;
      e->elpHatch = p.brush.lbHatch;
      e->elpNumEntries = DWORD(n);
      for (int i = 0; i < n; ++i) e->elpStyleEntry[i] = p.userStyle[size_t(i)];
      return copyOut(buf.data(), size);
    }
    case OBJ_BRUSH: {
      auto& b = static_cast<BrushObject&>(*o);
      LOGBRUSH lb{b.style, b.color, 0};
      if (b.style == BS_HATCHED) lb.lbHatch = UINT_PTR(b.hatch);
      if (b.style == BS_PATTERN) lb.lbHatch = reinterpret_cast<UINT_PTR>(b.patternBitmap);
      return copyOut(&lb, sizeof(lb));
    }
    case OBJ_FONT: {
      auto& f = static_cast<FontObject&>(*o);
      if (!pv) return sizeof(LOGFONTW);
      const int n = std::min<int>(c, sizeof(LOGFONTW));
      std::memcpy(pv, &f.lf, size_t(n));
      return n;
    }
    case OBJ_BITMAP: {
      auto& b = static_cast<BitmapObject&>(*o);
      BITMAP bm{};
      bm.bmWidth = b.image.width();
      bm.bmHeight = b.image.height();
      bm.bmPlanes = 1;
      bm.bmBitsPixel = WORD(b.mono ? 1 : (b.dib ? b.dibBpp : 32));
      bm.bmWidthBytes = b.dib ? b.dibStride : ((bm.bmWidth * bm.bmBitsPixel + 15) / 16) * 2;
      bm.bmBits = b.bits;
      if (b.dib && (!pv || c >= int(sizeof(DIBSECTION)))) {
        DIBSECTION ds{};
        ds.dsBm = bm;
        ds.dsBmih = b.dibHeader;
        if (b.dibHeader.biCompression == BI_BITFIELDS) {
          ds.dsBitfields[0] = 0xFF0000;
          ds.dsBitfields[1] = 0xFF00;
          ds.dsBitfields[2] = 0xFF;
        }
        return copyOut(&ds, sizeof(ds));
      }
      return copyOut(&bm, sizeof(bm));
    }
    case OBJ_REGION:
    case OBJ_DC:
    default:
      SetLastError(ERROR_INVALID_HANDLE);
      return 0;
  }
}
