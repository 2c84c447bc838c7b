// Device contexts: creation over images and bitmaps, selection, saved
// states, attributes and the logical-to-device mapping.

#include <QGuiApplication>
#include <algorithm>
#include <cmath>

#include "platform/win32/GdiInternal.h"
#include "platform/win32/LogCategories.h"

namespace gdi {

QPoint Mapping::MapInt(int x, int y) const {
  if (identityScale) return {x + int(tx), y + int(ty)};
  return {int(std::lround(x * sx + tx)), int(std::lround(y * sy + ty))};
}

QRect Mapping::MapRect(int l, int t, int r, int b) const {
  const QPoint a = MapInt(l, t), c = MapInt(r, b);
  const int x0 = std::min(a.x(), c.x()), x1 = std::max(a.x(), c.x());
  const int y0 = std::min(a.y(), c.y()), y1 = std::max(a.y(), c.y());
  return QRect(QPoint(x0, y0), QPoint(x1 - 1, y1 - 1));
}

QImage* DcObject::Surface() const {
  if (!memory) return external;
  BitmapObject* b = s.bitmap.get();
  if (!b || b->stock) return nullptr;
  return &b->image;
}

QRect DcObject::SurfaceRect() const {
  const QImage* img = Surface();
  return img ? img->rect() : QRect();
}

Mapping DcObject::Map() const {
  Mapping m;
  double sx = 1, sy = 1;
  switch (s.mapMode) {
    case MM_TEXT:
      break;
    case MM_LOMETRIC:
      sx = dpi / 254.0;
      sy = -sx;
      break;
    case MM_HIMETRIC:
      sx = dpi / 2540.0;
      sy = -sx;
      break;
    case MM_LOENGLISH:
      sx = dpi / 100.0;
      sy = -sx;
      break;
    case MM_HIENGLISH:
      sx = dpi / 1000.0;
      sy = -sx;
      break;
    case MM_TWIPS:
      sx = dpi / 1440.0;
      sy = -sx;
      break;
    case MM_ISOTROPIC:
    case MM_ANISOTROPIC:
      sx = double(s.viewportExt.cx) / s.windowExt.cx;
      sy = double(s.viewportExt.cy) / s.windowExt.cy;
      if (s.mapMode == MM_ISOTROPIC) {
        const double k = std::min(std::abs(sx), std::abs(sy));
        sx = std::copysign(k, sx);
        sy = std::copysign(k, sy);
      }
      break;
  }
  m.sx = sx;
  m.sy = sy;
  m.tx = s.viewportOrg.x - s.windowOrg.x * sx;
  m.ty = s.viewportOrg.y - s.windowOrg.y * sy;
  m.identityScale = sx == 1 && sy == 1;
  return m;
}

double DcObject::ScaleX() const { return std::abs(Map().sx); }
double DcObject::ScaleY() const { return std::abs(Map().sy); }

std::shared_ptr<const FontInstance> DcObject::Font() const {
  // Fonts need the GUI application (font database); without one, text
  // functions fail instead of touching Qt's font machinery.
  FontObject* f = s.font.get();
  return f && QGuiApplication::instance() ? f->Instance(ScaleY()) : nullptr;
}

namespace {

void InitState(DcState& st) {
  st.pen = ObjRef<PenObject>(std::static_pointer_cast<PenObject>(StockObject(BLACK_PEN)));
  st.brush = ObjRef<BrushObject>(std::static_pointer_cast<BrushObject>(StockObject(WHITE_BRUSH)));
  st.font = ObjRef<FontObject>(std::static_pointer_cast<FontObject>(StockObject(SYSTEM_FONT)));
}

}  // namespace

}  // namespace gdi

using namespace gdi;

QImage* GetDCImage(HDC hdc) {
  auto dc = GetDc(hdc);
  return dc ? dc->Surface() : nullptr;
}

HDC CreateImageDC(QImage* image, int dpi) {
  if (!image || image->isNull() || dpi <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (image->format() != QImage::Format_ARGB32_Premultiplied &&
      image->format() != QImage::Format_RGB32)
    image->convertTo(QImage::Format_ARGB32_Premultiplied);
  auto dc = std::make_shared<DcObject>();
  dc->external = image;
  dc->dpi = dpi;
  InitState(dc->s);
  return AsHandle<HDC__>(Register(dc));
}

HDC CreateCompatibleDC(HDC hdc) {
  int dpi = 96;
  if (hdc) {
    auto src = GetDc(hdc);
    if (!src) return nullptr;
    dpi = src->dpi;
  }
  auto dc = std::make_shared<DcObject>();
  dc->memory = true;
  dc->dpi = dpi;
  InitState(dc->s);
  // A new memory DC holds the 1 x 1 default bitmap (a stock object).
  dc->s.bitmap = ObjRef<BitmapObject>(std::static_pointer_cast<BitmapObject>(
      Lookup(reinterpret_cast<HGDIOBJ>(CreateBitmap(0, 0, 1, 1, nullptr)))));
  return AsHandle<HDC__>(Register(dc));
}

BOOL DeleteDC(HDC hdc) {
  if (!GetDc(hdc)) return FALSE;
  // Its states go with the object; their references to selected objects end.
  return Unregister(hdc) ? TRUE : FALSE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
  auto dc = GetDc(hdc);
  if (!dc) return nullptr;
  auto o = Lookup(h);
  if (!o) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  auto handleOf = [](const auto& ref) { return ref ? reinterpret_cast<HGDIOBJ>(ref->handle) : nullptr; };
  switch (o->type) {
    case OBJ_PEN:
    case OBJ_EXTPEN: {
      HGDIOBJ prev = handleOf(dc->s.pen);
      dc->s.pen = ObjRef<PenObject>(std::static_pointer_cast<PenObject>(o));
      dc->styleOffset = 0;
      return prev;
    }
    case OBJ_BRUSH: {
      HGDIOBJ prev = handleOf(dc->s.brush);
      dc->s.brush = ObjRef<BrushObject>(std::static_pointer_cast<BrushObject>(o));
      return prev;
    }
    case OBJ_FONT: {
      HGDIOBJ prev = handleOf(dc->s.font);
      dc->s.font = ObjRef<FontObject>(std::static_pointer_cast<FontObject>(o));
      return prev;
    }
    case OBJ_BITMAP: {
      if (!dc->memory) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
      }
      auto bmp = std::static_pointer_cast<BitmapObject>(o);
      // A bitmap lives in one memory DC at a time (stock bitmaps excepted).
      static std::mutex selectMutex;
      std::lock_guard<std::mutex> lock(selectMutex);
      if (!bmp->stock && bmp->useCount.load() > 0 && bmp->ownerDc.load() != dc->handle) {
        SetLastError(ERROR_BUSY);
        return nullptr;
      }
      HGDIOBJ prev = handleOf(dc->s.bitmap);
      bmp->ownerDc = dc->handle;
      dc->s.bitmap = ObjRef<BitmapObject>(bmp);
      return prev;
    }
    case OBJ_REGION: {
      const int r = SelectClipRgn(hdc, static_cast<HRGN>(h));
      return reinterpret_cast<HGDIOBJ>(uintptr_t(r == ERROR ? uintptr_t(~0u) : uintptr_t(r)));
    }
    default:
      SetLastError(ERROR_INVALID_HANDLE);
      return nullptr;
  }
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  auto dc = GetDc(hdc);
  if (!dc) return nullptr;
  auto handleOf = [](const auto& ref) { return ref ? reinterpret_cast<HGDIOBJ>(ref->handle) : nullptr; };
  switch (type) {
    case OBJ_PEN:
    case OBJ_EXTPEN:
      return handleOf(dc->s.pen);
    case OBJ_BRUSH:
      return handleOf(dc->s.brush);
    case OBJ_FONT:
      return handleOf(dc->s.font);
    case OBJ_BITMAP:
      return dc->memory ? handleOf(dc->s.bitmap) : nullptr;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
  }
}

int SaveDC(HDC hdc) {
  auto dc = GetDc(hdc);
  if (!dc) return 0;
  dc->saved.push_back(dc->s);
  return int(dc->saved.size());
}

BOOL RestoreDC(HDC hdc, int nSavedDC) {
  auto dc = GetDc(hdc);
  if (!dc) return FALSE;
  const int count = int(dc->saved.size());
  const int level = nSavedDC < 0 ? count + 1 + nSavedDC : nSavedDC;
  if (nSavedDC == 0 || level < 1 || level > count) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  dc->s = std::move(dc->saved[size_t(level - 1)]);
  dc->saved.resize(size_t(level - 1));
  dc->styleOffset = 0;
  return TRUE;
}

BOOL GdiFlush() { return TRUE; }  // drawing is never batched

int GetDeviceCaps(HDC hdc, int index) {
  auto dc = GetDc(hdc);
  if (!dc) return 0;
  if (int v = 0; dc->printer && PrinterDeviceCaps(*dc, index, v)) return v;
  const QImage* img = dc->Surface();
  const int w = img ? img->width() : 1, h = img ? img->height() : 1;
  switch (index) {
    case DRIVERVERSION:
      return 0x4000;
    case TECHNOLOGY:
      return DT_RASDISPLAY;
    case HORZSIZE:
      return int(std::lround(w * 25.4 / dc->dpi));
    case VERTSIZE:
      return int(std::lround(h * 25.4 / dc->dpi));
    case HORZRES:
    case PHYSICALWIDTH:
      return w;
    case VERTRES:
    case PHYSICALHEIGHT:
      return h;
    case BITSPIXEL:
      return 32;
    case PLANES:
      return 1;
    case NUMBRUSHES:
    case NUMPENS:
    case NUMCOLORS:
      return -1;
    case NUMFONTS:
      return 0;
    case RASTERCAPS:
      return RC_BITBLT | RC_DI_BITMAP | RC_STRETCHBLT | RC_STRETCHDIB;
    case SHADEBLENDCAPS:
      return SB_CONST_ALPHA | SB_PIXEL_ALPHA;
    case LOGPIXELSX:
    case LOGPIXELSY:
      return dc->dpi;
    case SIZEPALETTE:
      return 0;
    case COLORRES:
      return 24;
    case PHYSICALOFFSETX:
    case PHYSICALOFFSETY:
      return 0;
    default:
      return 0;
  }
}

// ---------------------------------------------------------------------------
// Attributes

namespace {

template <class T, class F>
T SetAttr(HDC hdc, T failure, F&& f) {
  auto dc = GetDc(hdc);
  if (!dc) return failure;
  return f(*dc);
}

}  // namespace

COLORREF SetTextColor(HDC hdc, COLORREF color) {
  return SetAttr(hdc, CLR_INVALID, [&](DcObject& dc) { return std::exchange(dc.s.textColor, color); });
}
COLORREF GetTextColor(HDC hdc) {
  return SetAttr(hdc, CLR_INVALID, [](DcObject& dc) { return dc.s.textColor; });
}
COLORREF SetBkColor(HDC hdc, COLORREF color) {
  return SetAttr(hdc, CLR_INVALID, [&](DcObject& dc) { return std::exchange(dc.s.bkColor, color); });
}
COLORREF GetBkColor(HDC hdc) {
  return SetAttr(hdc, CLR_INVALID, [](DcObject& dc) { return dc.s.bkColor; });
}

int SetBkMode(HDC hdc, int mode) {
  return SetAttr(hdc, 0, [&](DcObject& dc) {
    if (mode != TRANSPARENT && mode != OPAQUE) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
    return std::exchange(dc.s.bkMode, mode);
  });
}
int GetBkMode(HDC hdc) {
  return SetAttr(hdc, 0, [](DcObject& dc) { return dc.s.bkMode; });
}

int SetROP2(HDC hdc, int rop2) {
  return SetAttr(hdc, 0, [&](DcObject& dc) {
    if (rop2 < R2_BLACK || rop2 > R2_WHITE) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
    return std::exchange(dc.s.rop2, rop2);
  });
}
int GetROP2(HDC hdc) {
  return SetAttr(hdc, 0, [](DcObject& dc) { return dc.s.rop2; });
}

int SetPolyFillMode(HDC hdc, int mode) {
  return SetAttr(hdc, 0, [&](DcObject& dc) {
    if (mode != ALTERNATE && mode != WINDING) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
    return std::exchange(dc.s.polyFillMode, mode);
  });
}
int GetPolyFillMode(HDC hdc) {
  return SetAttr(hdc, 0, [](DcObject& dc) { return dc.s.polyFillMode; });
}

int SetStretchBltMode(HDC hdc, int mode) {
  return SetAttr(hdc, 0, [&](DcObject& dc) {
    if (mode < BLACKONWHITE || mode > HALFTONE) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
    return std::exchange(dc.s.stretchMode, mode);
  });
}
int GetStretchBltMode(HDC hdc) {
  return SetAttr(hdc, 0, [](DcObject& dc) { return dc.s.stretchMode; });
}

int SetArcDirection(HDC hdc, int dir) {
  return SetAttr(hdc, 0, [&](DcObject& dc) {
    if (dir != AD_COUNTERCLOCKWISE && dir != AD_CLOCKWISE) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
    return std::exchange(dc.s.arcDirection, dir);
  });
}
int GetArcDirection(HDC hdc) {
  return SetAttr(hdc, 0, [](DcObject& dc) { return dc.s.arcDirection; });
}

int SetGraphicsMode(HDC hdc, int iMode) {
  return SetAttr(hdc, 0, [&](DcObject& dc) {
    if (iMode != GM_COMPATIBLE && iMode != GM_ADVANCED) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
    if (iMode == GM_ADVANCED)
      LogNotCovered(lcGdi(), QStringLiteral("SetGraphicsMode: GM_ADVANCED (kept; drawing follows the compatible "
                                            "mode's rules, there are no world transforms)"));
    return std::exchange(dc.s.graphicsMode, iMode);
  });
}
int GetGraphicsMode(HDC hdc) {
  return SetAttr(hdc, 0, [](DcObject& dc) { return dc.s.graphicsMode; });
}

UINT SetTextAlign(HDC hdc, UINT align) {
  return SetAttr(hdc, UINT(GDI_ERROR), [&](DcObject& dc) { return std::exchange(dc.s.textAlign, align & TA_MASK); });
}
UINT GetTextAlign(HDC hdc) {
  return SetAttr(hdc, UINT(GDI_ERROR), [](DcObject& dc) { return dc.s.textAlign; });
}

int SetTextCharacterExtra(HDC hdc, int extra) {
  return SetAttr(hdc, int(0x80000000), [&](DcObject& dc) { return std::exchange(dc.s.charExtra, extra); });
}
int GetTextCharacterExtra(HDC hdc) {
  return SetAttr(hdc, int(0x80000000), [](DcObject& dc) { return dc.s.charExtra; });
}

BOOL SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  return SetAttr(hdc, FALSE, [&](DcObject& dc) {
    if (lppt) *lppt = dc.s.brushOrg;
    dc.s.brushOrg = POINT{x, y};
    return TRUE;
  });
}
BOOL GetBrushOrgEx(HDC hdc, LPPOINT lppt) {
  return SetAttr(hdc, FALSE, [&](DcObject& dc) {
    if (!lppt) return FALSE;
    *lppt = dc.s.brushOrg;
    return TRUE;
  });
}

BOOL SetMiterLimit(HDC hdc, FLOAT limit, FLOAT* old) {
  return SetAttr(hdc, FALSE, [&](DcObject& dc) {
    if (!(limit >= 1.0f)) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    if (old) *old = dc.s.miterLimit;
    dc.s.miterLimit = limit;
    return TRUE;
  });
}
BOOL GetMiterLimit(HDC hdc, FLOAT* plimit) {
  return SetAttr(hdc, FALSE, [&](DcObject& dc) {
    if (!plimit) return FALSE;
    *plimit = dc.s.miterLimit;
    return TRUE;
  });
}

COLORREF SetDCBrushColor(HDC hdc, COLORREF color) {
  return SetAttr(hdc, CLR_INVALID, [&](DcObject& dc) { return std::exchange(dc.s.dcBrushColor, color); });
}
COLORREF GetDCBrushColor(HDC hdc) {
  return SetAttr(hdc, CLR_INVALID, [](DcObject& dc) { return dc.s.dcBrushColor; });
}
COLORREF SetDCPenColor(HDC hdc, COLORREF color) {
  return SetAttr(hdc, CLR_INVALID, [&](DcObject& dc) { return std::exchange(dc.s.dcPenColor, color); });
}
COLORREF GetDCPenColor(HDC hdc) {
  return SetAttr(hdc, CLR_INVALID, [](DcObject& dc) { return dc.s.dcPenColor; });
}

// ---------------------------------------------------------------------------
// Mapping

int SetMapMode(HDC hdc, int iMode) {
  return SetAttr(hdc, 0, [&](DcObject& dc) {
    if (iMode < MM_TEXT || iMode > MM_ANISOTROPIC) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
    const int prev = dc.s.mapMode;
    dc.s.mapMode = iMode;
    // Fixed modes report their extents; the scalable ones start from the
    // extents of the mode before.
    const int d = dc.dpi;
    switch (iMode) {
      case MM_TEXT:
        dc.s.windowExt = SIZE{1, 1};
        dc.s.viewportExt = SIZE{1, 1};
        break;
      case MM_LOMETRIC:
        dc.s.windowExt = SIZE{254, 254};
        dc.s.viewportExt = SIZE{d, -d};
        break;
      case MM_HIMETRIC:
        dc.s.windowExt = SIZE{2540, 2540};
        dc.s.viewportExt = SIZE{d, -d};
        break;
      case MM_LOENGLISH:
        dc.s.windowExt = SIZE{100, 100};
        dc.s.viewportExt = SIZE{d, -d};
        break;
      case MM_HIENGLISH:
        dc.s.windowExt = SIZE{1000, 1000};
        dc.s.viewportExt = SIZE{d, -d};
        break;
      case MM_TWIPS:
        dc.s.windowExt = SIZE{1440, 1440};
        dc.s.viewportExt = SIZE{d, -d};
        break;
      default:
        break;
    }
    return prev;
  });
}
int GetMapMode(HDC hdc) {
  return SetAttr(hdc, 0, [](DcObject& dc) { return dc.s.mapMode; });
}

namespace {

BOOL SetPoint(HDC hdc, POINT DcState::*field, int x, int y, LPPOINT old, bool offset) {
  return SetAttr(hdc, FALSE, [&](DcObject& dc) {
    POINT& p = dc.s.*field;
    if (old) *old = p;
    if (offset) {
      p.x += x;
      p.y += y;
    } else {
      p = POINT{x, y};
    }
    return TRUE;
  });
}

BOOL GetPoint(HDC hdc, POINT DcState::*field, LPPOINT out) {
  return SetAttr(hdc, FALSE, [&](DcObject& dc) {
    if (!out) return FALSE;
    *out = dc.s.*field;
    return TRUE;
  });
}

BOOL SetExtent(HDC hdc, SIZE DcState::*field, int x, int y, LPSIZE old) {
  return SetAttr(hdc, FALSE, [&](DcObject& dc) {
    if (old) *old = dc.s.*field;
    if (dc.s.mapMode != MM_ISOTROPIC && dc.s.mapMode != MM_ANISOTROPIC) return TRUE;  // ignored
    if (x == 0 || y == 0) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    dc.s.*field = SIZE{x, y};
    return TRUE;
  });
}

BOOL GetExtent(HDC hdc, SIZE DcState::*field, LPSIZE out) {
  return SetAttr(hdc, FALSE, [&](DcObject& dc) {
    if (!out) return FALSE;
    *out = dc.s.*field;
    return TRUE;
  });
}

}  // namespace

BOOL SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  return SetPoint(hdc, &DcState::windowOrg, x, y, lppt, false);
}
BOOL GetWindowOrgEx(HDC hdc, LPPOINT lppoint) { return GetPoint(hdc, &DcState::windowOrg, lppoint); }
BOOL OffsetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  return SetPoint(hdc, &DcState::windowOrg, x, y, lppt, true);
}
BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  return SetPoint(hdc, &DcState::viewportOrg, x, y, lppt, false);
}
BOOL GetViewportOrgEx(HDC hdc, LPPOINT lppoint) { return GetPoint(hdc, &DcState::viewportOrg, lppoint); }
BOOL OffsetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  return SetPoint(hdc, &DcState::viewportOrg, x, y, lppt, true);
}
BOOL SetWindowExtEx(HDC hdc, int x, int y, LPSIZE lpsz) {
  return SetExtent(hdc, &DcState::windowExt, x, y, lpsz);
}
BOOL GetWindowExtEx(HDC hdc, LPSIZE lpsize) { return GetExtent(hdc, &DcState::windowExt, lpsize); }
BOOL SetViewportExtEx(HDC hdc, int x, int y, LPSIZE lpsz) {
  return SetExtent(hdc, &DcState::viewportExt, x, y, lpsz);
}
BOOL GetViewportExtEx(HDC hdc, LPSIZE lpsize) { return GetExtent(hdc, &DcState::viewportExt, lpsize); }

BOOL LPtoDP(HDC hdc, LPPOINT lppt, int c) {
  return SetAttr(hdc, FALSE, [&](DcObject& dc) {
    if (c < 0 || (c > 0 && !lppt)) return FALSE;
    const Mapping m = dc.Map();
    for (int i = 0; i < c; ++i) {
      const QPoint p = m.MapInt(lppt[i].x, lppt[i].y);
      lppt[i] = POINT{p.x(), p.y()};
    }
    return TRUE;
  });
}

BOOL DPtoLP(HDC hdc, LPPOINT lppt, int c) {
  return SetAttr(hdc, FALSE, [&](DcObject& dc) {
    if (c < 0 || (c > 0 && !lppt)) return FALSE;
    const Mapping m = dc.Map();
    for (int i = 0; i < c; ++i) {
      const QPointF p = m.Unmap(lppt[i].x, lppt[i].y);
      lppt[i] = POINT{LONG(std::lround(p.x())), LONG(std::lround(p.y()))};
    }
    return TRUE;
  });
}

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT lppt) {
  auto dc = GetDc(hdc);
  if (!dc) return FALSE;
  if (lppt) *lppt = dc->s.cp;
  dc->s.cp = POINT{x, y};
  dc->styleOffset = 0;
  if (dc->InPath()) PathMoveTo(*dc, dc->Map().Map(x, y));
  return TRUE;
}

BOOL GetCurrentPositionEx(HDC hdc, LPPOINT lppt) {
  return GetPoint(hdc, &DcState::cp, lppt);
}
