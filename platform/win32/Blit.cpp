// Blits: BitBlt and StretchBlt with ternary raster operations and stretch
// modes, PatBlt, StretchDIBits, AlphaBlend and TransparentBlt.

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/win32/GdiInternal.h"

using namespace gdi;

namespace {

struct Source {
  const QImage* image = nullptr;
  bool mono = false;
  COLORREF bk = 0xFFFFFF;    // the source DC's background colour
  bool ignoreAlpha = false;  // device-independent bits: colours only
};

// For each visible destination index along one axis, the source range it
// takes (nearest pixel: a range of one). Only the visible part [first,
// first + count) of the destTotal indices is kept.
struct AxisMap {
  std::vector<int> from, to;  // [from, to) in source coordinates
  int first = 0;
  void Build(int64_t firstIndex, int count, int64_t destTotal, double srcStart, double srcCount, bool mirror,
             bool ranges) {
    first = int(firstIndex);
    from.resize(size_t(std::max(0, count)));
    to.resize(size_t(std::max(0, count)));
    const double scale = srcCount / double(destTotal);
    for (int j = 0; j < count; ++j) {
      const int64_t i = firstIndex + j;
      const int64_t k = mirror ? destTotal - 1 - i : i;
      if (ranges && scale > 1) {
        const double a = std::floor(srcStart + k * scale);
        const double b = std::max(a + 1, std::floor(srcStart + (k + 1) * scale));
        from[size_t(j)] = int(std::clamp(a, -1e9, 1e9));
        to[size_t(j)] = int(std::clamp(b, -1e9, 1e9));
      } else {
        const double a = std::floor(srcStart + (k + 0.5) * scale);
        from[size_t(j)] = int(std::clamp(a, -1e9, 1e9));
        to[size_t(j)] = from[size_t(j)] + 1;
      }
    }
  }
  int From(int index) const { return from[size_t(index - first)]; }
  int To(int index) const { return to[size_t(index - first)]; }
};

// The part of a destination rectangle (64-bit extents) on the surface.
QRect VisibleDest(int64_t x0, int64_t y0, int64_t w, int64_t h, const Target& target) {
  if (w <= 0 || h <= 0) return QRect();
  const QRect limit = target.Limit();
  const int64_t l = std::max<int64_t>(x0, limit.left()), t = std::max<int64_t>(y0, limit.top());
  const int64_t r = std::min<int64_t>(x0 + w - 1, limit.right()), b = std::min<int64_t>(y0 + h - 1, limit.bottom());
  if (r < l || b < t) return QRect();
  return QRect(QPoint(int(l), int(t)), QPoint(int(r), int(b)));
}

uint32_t Average(const QImage& img, int x0, int x1, int y0, int y1) {
  uint64_t a = 0, r = 0, g = 0, b = 0, n = 0;
  for (int y = y0; y < y1; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(img.constScanLine(y));
    for (int x = x0; x < x1; ++x) {
      const uint32_t p = row[x];
      a += p >> 24;
      r += (p >> 16) & 0xFF;
      g += (p >> 8) & 0xFF;
      b += p & 0xFF;
      ++n;
    }
  }
  if (!n) return 0;
  return uint32_t(((a + n / 2) / n) << 24 | ((r + n / 2) / n) << 16 | ((g + n / 2) / n) << 8 | ((b + n / 2) / n));
}

// Destination rectangle (device, half-open, signed extents) from logical
// coordinates.
struct Extent {
  double x, y, w, h;
};

Extent MapExtent(const DcObject& dc, int x, int y, int w, int h) {
  const Mapping m = dc.Map();
  const QPoint a = m.MapInt(x, y), b = m.MapInt(x + w, y + h);
  return Extent{double(a.x()), double(a.y()), double(b.x() - a.x()), double(b.y() - a.y())};
}

// The core of every raster-operation blit: for each visible destination
// pixel, the source pixel(s) it takes, the brush pattern and the
// destination, mixed by the operation's index.
void Blit(DcObject& dst, QImage* dimg, const Extent& de, const Source* src, Extent se, uint8_t rop, int stretchMode) {
  if (!dimg || de.w == 0 || de.h == 0) return;
  const BitmapObject* dbmp = dst.SurfaceBitmap();
  const bool dstMono = dbmp && dbmp->mono;
  const int64_t dx0 = int64_t(std::min(de.x, de.x + de.w)), dy0 = int64_t(std::min(de.y, de.y + de.h));
  const int64_t dw = int64_t(std::abs(de.w)), dh = int64_t(std::abs(de.h));
  const Target target(dimg, dst.s.clip, R2_COPYPEN);
  // Only the part of the destination on the surface is worked on.
  const QRect visible = VisibleDest(dx0, dy0, dw, dh, target);
  if (visible.isEmpty()) return;

  QImage sourceCopy;
  const QImage* simg = src ? src->image : nullptr;
  AxisMap cols, rows;
  if (src) {
    if (!simg || se.w == 0 || se.h == 0) return;
    const bool mirrorX = (de.w < 0) != (se.w < 0), mirrorY = (de.h < 0) != (se.h < 0);
    const double sx0 = std::min(se.x, se.x + se.w), sy0 = std::min(se.y, se.y + se.h);
    const double sw = std::abs(se.w), sh = std::abs(se.h);
    const bool ranges = stretchMode != COLORONCOLOR;
    cols.Build(visible.left() - dx0, visible.width(), dw, sx0, sw, mirrorX, ranges);
    rows.Build(visible.top() - dy0, visible.height(), dh, sy0, sh, mirrorY, ranges);
    if (simg == dimg) {
      // Overlapping source and destination: read from a copy.
      sourceCopy = simg->copy();
      simg = &sourceCopy;
    }
  }
  const bool usesPattern = RopUsesPattern(rop);
  PaintSource pattern;
  if (usesPattern && dst.s.brush) pattern = BrushSource(dst, *dst.s.brush, true);
  const uint32_t text = ToPixel(dst.s.textColor), bk = ToPixel(dst.s.bkColor);
  const uint32_t srcBk = src ? (ToPixel(src->bk) & 0xFFFFFF) : 0;
  const QRect srcBounds = simg ? simg->rect() : QRect();

  target.ForEachClipRect(visible, [&](const QRect& cr) {
    for (int y = cr.top(); y <= cr.bottom(); ++y) {
      auto* drow = reinterpret_cast<uint32_t*>(dimg->scanLine(y));
      const int ry = int(y - dy0);
      int sy0 = 0, sy1 = 0;
      if (src) {
        sy0 = std::max(rows.From(ry), 0);
        sy1 = std::min(rows.To(ry), srcBounds.height());
        if (sy0 >= sy1) continue;  // outside the source: left as it is
      }
      for (int x = cr.left(); x <= cr.right(); ++x) {
        uint32_t s = 0;
        if (src) {
          const int rx = int(x - dx0);
          const int sx0 = std::max(cols.From(rx), 0);
          const int sx1 = std::min(cols.To(rx), srcBounds.width());
          if (sx0 >= sx1) continue;
          if (sx1 - sx0 == 1 && sy1 - sy0 == 1) {
            s = reinterpret_cast<const uint32_t*>(simg->constScanLine(sy0))[sx0];
          } else if (stretchMode == HALFTONE) {
            s = Average(*simg, sx0, sx1, sy0, sy1);
          } else {
            // Shrinking: AND (black on white) or OR (white on black) of the
            // pixels that merge.
            const bool andMode = stretchMode == BLACKONWHITE;
            s = andMode ? 0xFFFFFFFFu : 0;
            for (int yy = sy0; yy < sy1; ++yy) {
              const auto* srow = reinterpret_cast<const uint32_t*>(simg->constScanLine(yy));
              for (int xx = sx0; xx < sx1; ++xx) s = andMode ? (s & srow[xx]) : (s | srow[xx]);
            }
          }
          if (src->ignoreAlpha) s |= 0xFF000000u;
          if (src->mono && !dstMono) s = (s & 0xFFFFFF) ? bk : text;
          else if (!src->mono && dstMono) s = ((s & 0xFFFFFF) == srcBk) ? 0xFFFFFFFFu : 0xFF000000u;
        }
        uint32_t p = 0;
        if (usesPattern && !pattern.At(x, y, p)) p = 0;
        drow[x] = rop == 0xCC ? s : Rop3(rop, p, s, drow[x]);
      }
    }
  });
}

BOOL StretchImpl(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc, int wSrc,
                 int hSrc, DWORD rop, bool sameSize) {
  const uint8_t index = RopIndex(rop);
  auto dst = GetDc(hdcDest);
  if (!dst) return FALSE;
  std::shared_ptr<DcObject> srcDc;
  if (RopUsesSource(index)) {
    srcDc = GetDc(hdcSrc);
    if (!srcDc) return FALSE;
  }
  SurfaceAccess dacc(*dst, true);
  const Extent de = MapExtent(*dst, xDest, yDest, wDest, hDest);
  if (!srcDc) {
    Blit(*dst, dacc.image(), de, nullptr, Extent{}, index, dst->s.stretchMode);
    return TRUE;
  }
  std::unique_ptr<SurfaceAccess> sacc;
  if (srcDc != dst) sacc = std::make_unique<SurfaceAccess>(*srcDc, false);
  Source src;
  src.image = srcDc->Surface();
  const BitmapObject* sb = srcDc->SurfaceBitmap();
  src.mono = sb && sb->mono;
  src.bk = srcDc->s.bkColor;
  const Extent se = MapExtent(*srcDc, xSrc, ySrc, sameSize ? wDest : wSrc, sameSize ? hDest : hSrc);
  if (sameSize) {
    // A plain copy: the source keeps the destination's device size.
    Extent same = se;
    same.w = std::copysign(std::abs(de.w), se.w == 0 ? 1 : se.w);
    same.h = std::copysign(std::abs(de.h), se.h == 0 ? 1 : se.h);
    Blit(*dst, dacc.image(), de, &src, same, index, COLORONCOLOR);
  } else {
    Blit(*dst, dacc.image(), de, &src, se, index, dst->s.stretchMode);
  }
  return TRUE;
}

// Device-independent bits as an opaque image, top row first.
QImage DibToImage(const void* bits, const BITMAPINFO* bmi, UINT usage, bool& bottomUp) {
  const BITMAPINFOHEADER& h = bmi->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biPlanes != 1 || usage != DIB_RGB_COLORS) return QImage();
  const int w = h.biWidth, height = h.biHeight == INT32_MIN ? 0 : std::abs(h.biHeight);
  if (w <= 0 || height <= 0 || w > 65535 || height > 65535 || int64_t(w) * height > (int64_t(1) << 26))
    return QImage();
  const int bpp = h.biBitCount;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return QImage();
  DWORD masks[3] = {0, 0, 0};
  const auto* table = reinterpret_cast<const uchar*>(bmi) + h.biSize;
  if (h.biCompression == BI_BITFIELDS) {
    if (bpp != 16 && bpp != 32) return QImage();
    std::memcpy(masks, table, sizeof(masks));
    if (!masks[0] || !masks[1] || !masks[2]) return QImage();
  } else if (h.biCompression != BI_RGB) {
    return QImage();
  } else if (bpp == 16) {
    masks[0] = 0x7C00;
    masks[1] = 0x03E0;
    masks[2] = 0x001F;
  } else if (bpp == 32) {
    masks[0] = 0xFF0000;
    masks[1] = 0xFF00;
    masks[2] = 0xFF;
  }
  const int stride = ((w * bpp + 31) / 32) * 4;
  if (h.biSizeImage != 0 && h.biCompression == BI_RGB && int64_t(h.biSizeImage) < int64_t(stride) * height)
    return QImage();
  int colors = 0;
  if (bpp <= 8) colors = h.biClrUsed ? int(std::min<DWORD>(h.biClrUsed, 1u << bpp)) : (1 << bpp);
  const auto* palette = reinterpret_cast<const RGBQUAD*>(table);
  auto channel = [](DWORD v, DWORD mask) -> uint32_t {
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    const DWORD max = mask >> shift;
    return uint32_t(((v & mask) >> shift) * 255 / max);
  };
  bottomUp = h.biHeight > 0;
  QImage img(w, height, QImage::Format_ARGB32_Premultiplied);
  if (img.isNull()) return img;
  const auto* src = static_cast<const uchar*>(bits);
  for (int y = 0; y < height; ++y) {
    const uchar* row = src + size_t(bottomUp ? height - 1 - y : y) * stride;
    auto* out = reinterpret_cast<uint32_t*>(img.scanLine(y));
    for (int x = 0; x < w; ++x) {
      uint32_t px = 0;
      if (bpp <= 8) {
        const int perByte = 8 / bpp;
        const int idx = (row[x / perByte] >> ((perByte - 1 - x % perByte) * bpp)) & ((1 << bpp) - 1);
        if (idx < colors) px = (uint32_t(palette[idx].rgbRed) << 16) | (uint32_t(palette[idx].rgbGreen) << 8) | palette[idx].rgbBlue;
      } else if (bpp == 24) {
        px = (uint32_t(row[x * 3 + 2]) << 16) | (uint32_t(row[x * 3 + 1]) << 8) | row[x * 3];
      } else {
        DWORD v;
        if (bpp == 16) v = DWORD(row[x * 2]) | (DWORD(row[x * 2 + 1]) << 8);
        else std::memcpy(&v, row + x * 4, 4);
        px = (channel(v, masks[0]) << 16) | (channel(v, masks[1]) << 8) | channel(v, masks[2]);
      }
      out[x] = 0xFF000000u | px;
    }
  }
  return img;
}

inline uint32_t Mul255(uint32_t v, uint32_t a) { return (v * a + 127) / 255; }

}  // namespace

BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
  return StretchImpl(hdc, x, y, cx, cy, hdcSrc, x1, y1, cx, cy, rop, true);
}

BOOL StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc, int wSrc,
                int hSrc, DWORD rop) {
  return StretchImpl(hdcDest, xDest, yDest, wDest, hDest, hdcSrc, xSrc, ySrc, wSrc, hSrc, rop, false);
}

BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
  const uint8_t index = RopIndex(rop);
  if (RopUsesSource(index)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return StretchImpl(hdc, x, y, w, h, nullptr, 0, 0, 0, 0, rop, true);
}

int StretchDIBits(HDC hdc, int xDest, int yDest, int DestWidth, int DestHeight, int xSrc, int ySrc, int SrcWidth,
                  int SrcHeight, const void* lpBits, const BITMAPINFO* lpbmi, UINT iUsage, DWORD rop) {
  auto dst = GetDc(hdc);
  if (!dst) return 0;
  if (!lpBits || !lpbmi) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  bool bottomUp = false;
  const QImage img = DibToImage(lpBits, lpbmi, iUsage, bottomUp);
  if (img.isNull()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  SurfaceAccess dacc(*dst, true);
  Source src;
  src.image = &img;
  src.ignoreAlpha = true;
  const Extent de = MapExtent(*dst, xDest, yDest, DestWidth, DestHeight);
  // In bottom-up bits the source's y counts from the bottom row upwards; the
  // image holds the rows top first.
  const double top = bottomUp ? double(img.height()) - ySrc - SrcHeight : double(ySrc);
  const Extent se{double(xSrc), top, double(SrcWidth), double(SrcHeight)};
  Blit(*dst, dacc.image(), de, &src, se, RopIndex(rop), dst->s.stretchMode);
  return std::abs(SrcHeight);
}

BOOL AlphaBlend(HDC hdcDest, int xoriginDest, int yoriginDest, int wDest, int hDest, HDC hdcSrc, int xoriginSrc,
                int yoriginSrc, int wSrc, int hSrc, BLENDFUNCTION ftn) {
  if (ftn.BlendOp != AC_SRC_OVER || ftn.BlendFlags != 0 || (ftn.AlphaFormat & ~AC_SRC_ALPHA) || wDest < 0 ||
      hDest < 0 || wSrc < 0 || hSrc < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto dst = GetDc(hdcDest);
  auto srcDc = GetDc(hdcSrc);
  if (!dst || !srcDc) return FALSE;
  SurfaceAccess dacc(*dst, true);
  std::unique_ptr<SurfaceAccess> sacc;
  if (srcDc != dst) sacc = std::make_unique<SurfaceAccess>(*srcDc, false);
  const QImage* simg = srcDc->Surface();
  QImage* dimg = dacc.image();
  const Extent se = MapExtent(*srcDc, xoriginSrc, yoriginSrc, wSrc, hSrc);
  const Extent de = MapExtent(*dst, xoriginDest, yoriginDest, wDest, hDest);
  // The source rectangle must lie on the source surface.
  if (!simg || se.x < 0 || se.y < 0 || se.x + se.w > simg->width() || se.y + se.h > simg->height()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!dimg || de.w == 0 || de.h == 0 || se.w == 0 || se.h == 0) return TRUE;
  QImage copy;
  if (simg == dimg) {
    copy = simg->copy();
    simg = &copy;
  }
  const uint32_t sca = ftn.SourceConstantAlpha;
  const bool perPixel = ftn.AlphaFormat & AC_SRC_ALPHA;
  const Target target(dimg, dst->s.clip, R2_COPYPEN);
  const int64_t dx0 = int64_t(de.x), dy0 = int64_t(de.y), dw = int64_t(de.w), dh = int64_t(de.h);
  const QRect visible = VisibleDest(dx0, dy0, dw, dh, target);
  if (visible.isEmpty()) return TRUE;
  AxisMap cols, rows;
  const bool halftone = dst->s.stretchMode == HALFTONE;
  cols.Build(visible.left() - dx0, visible.width(), dw, se.x, se.w, false, halftone);
  rows.Build(visible.top() - dy0, visible.height(), dh, se.y, se.h, false, halftone);
  target.ForEachClipRect(visible, [&](const QRect& cr) {
    for (int y = cr.top(); y <= cr.bottom(); ++y) {
      auto* drow = reinterpret_cast<uint32_t*>(dimg->scanLine(y));
      const int ry = int(y - dy0);
      for (int x = cr.left(); x <= cr.right(); ++x) {
        const int rx = int(x - dx0);
        uint32_t s = (cols.To(rx) - cols.From(rx) > 1 || rows.To(ry) - rows.From(ry) > 1)
                         ? Average(*simg, cols.From(rx), cols.To(rx), rows.From(ry), rows.To(ry))
                         : reinterpret_cast<const uint32_t*>(simg->constScanLine(rows.From(ry)))[cols.From(rx)];
        if (!perPixel) s |= 0xFF000000u;  // colours only: the source counts as opaque
        // Source (premultiplied) scaled by the constant alpha, over the destination.
        const uint32_t sa = Mul255(s >> 24, sca), sr = Mul255((s >> 16) & 0xFF, sca),
                       sg = Mul255((s >> 8) & 0xFF, sca), sb = Mul255(s & 0xFF, sca);
        const uint32_t d = drow[x], inv = 255 - sa;
        const uint32_t a = std::min<uint32_t>(255, sa + Mul255(d >> 24, inv));
        const uint32_t r = std::min<uint32_t>(255, sr + Mul255((d >> 16) & 0xFF, inv));
        const uint32_t g = std::min<uint32_t>(255, sg + Mul255((d >> 8) & 0xFF, inv));
        const uint32_t b = std::min<uint32_t>(255, sb + Mul255(d & 0xFF, inv));
        drow[x] = (a << 24) | (std::min(r, a) << 16) | (std::min(g, a) << 8) | std::min(b, a);
      }
    }
  });
  return TRUE;
}

BOOL TransparentBlt(HDC hdcDest, int xoriginDest, int yoriginDest, int wDest, int hDest, HDC hdcSrc,
                    int xoriginSrc, int yoriginSrc, int wSrc, int hSrc, UINT crTransparent) {
  if (wDest < 0 || hDest < 0 || wSrc < 0 || hSrc < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto dst = GetDc(hdcDest);
  auto srcDc = GetDc(hdcSrc);
  if (!dst || !srcDc) return FALSE;
  SurfaceAccess dacc(*dst, true);
  std::unique_ptr<SurfaceAccess> sacc;
  if (srcDc != dst) sacc = std::make_unique<SurfaceAccess>(*srcDc, false);
  const QImage* simg = srcDc->Surface();
  QImage* dimg = dacc.image();
  if (!simg || !dimg) return TRUE;
  QImage copy;
  if (simg == dimg) {
    copy = simg->copy();
    simg = &copy;
  }
  const Extent se = MapExtent(*srcDc, xoriginSrc, yoriginSrc, wSrc, hSrc);
  const Extent de = MapExtent(*dst, xoriginDest, yoriginDest, wDest, hDest);
  if (de.w <= 0 || de.h <= 0 || se.w <= 0 || se.h <= 0) return TRUE;
  const Target target(dimg, dst->s.clip, R2_COPYPEN);
  const int64_t dx0 = int64_t(de.x), dy0 = int64_t(de.y), dw = int64_t(de.w), dh = int64_t(de.h);
  const QRect visible = VisibleDest(dx0, dy0, dw, dh, target);
  if (visible.isEmpty()) return TRUE;
  AxisMap cols, rows;
  cols.Build(visible.left() - dx0, visible.width(), dw, se.x, se.w, false, false);
  rows.Build(visible.top() - dy0, visible.height(), dh, se.y, se.h, false, false);
  const uint32_t key = ToPixel(crTransparent) & 0xFFFFFF;
  target.ForEachClipRect(visible, [&](const QRect& cr) {
    for (int y = cr.top(); y <= cr.bottom(); ++y) {
      const int sy = rows.From(int(y - dy0));
      if (sy < 0 || sy >= simg->height()) continue;
      const auto* srow = reinterpret_cast<const uint32_t*>(simg->constScanLine(sy));
      auto* drow = reinterpret_cast<uint32_t*>(dimg->scanLine(y));
      for (int x = cr.left(); x <= cr.right(); ++x) {
        const int sx = cols.From(int(x - dx0));
        if (sx < 0 || sx >= simg->width()) continue;
        const uint32_t s = srow[sx];
        if ((s & 0xFFFFFF) == key) continue;
        drow[x] = s | 0xFF000000u;
      }
    }
  });
  return TRUE;
}
