// TBitmap: pixel formats over a 32-bit drawing surface, scan lines, the
// bitmap canvas, and BMP/DIB reading and writing.

#include <QHash>
#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/vcl/Graphics.h"
#include "platform/vcl/GraphicsConsts.h"
#include "platform/vcl/GraphicsPrivate.h"

using namespace vclgraphics;

// ---------------------------------------------------------------------------
// Pixel formats

namespace vclgraphics {

int FormatBitCount(TPixelFormat Format) {
  switch (Format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf24bit: return 24;
    default: return 32;
  }
}

int FormatStride(TPixelFormat Format, int Width) {
  return int(((int64_t(Width) * FormatBitCount(Format) + 31) / 32) * 4);
}

std::vector<RGBQUAD> DefaultPalette(TPixelFormat Format) {
  auto q = [](int r, int g, int b) { return RGBQUAD{BYTE(b), BYTE(g), BYTE(r), 0}; };
  // The sixteen colours of 4-bit bitmaps, in their customary order.
  const std::vector<RGBQUAD> sixteen = {
      q(0, 0, 0),       q(128, 0, 0),   q(0, 128, 0),   q(128, 128, 0), q(0, 0, 128),   q(128, 0, 128),
      q(0, 128, 128),   q(192, 192, 192), q(128, 128, 128), q(255, 0, 0), q(0, 255, 0),   q(255, 255, 0),
      q(0, 0, 255),     q(255, 0, 255), q(0, 255, 255), q(255, 255, 255)};
  switch (Format) {
    case pf1bit: return {q(0, 0, 0), q(255, 255, 255)};
    case pf4bit: return sixteen;
    case pf8bit: {
      // The sixteen colours, a 6 x 6 x 6 colour cube and a ramp of greys.
      std::vector<RGBQUAD> pal = sixteen;
      for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
          for (int b = 0; b < 6; ++b) pal.push_back(q(r * 51, g * 51, b * 51));
      for (int i = 1; pal.size() < 256; ++i) {
        const int v = i * 255 / 25;
        pal.push_back(q(v, v, v));
      }
      return pal;
    }
    default: return {};
  }
}

namespace {
inline uint32_t Opaque(BYTE r, BYTE g, BYTE b) {
  return 0xFF000000u | (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b);
}
inline uint32_t PaletteColor(const std::vector<RGBQUAD>& pal, unsigned index) {
  if (index >= pal.size()) return 0xFF000000u;
  const RGBQUAD& c = pal[index];
  return Opaque(c.rgbRed, c.rgbGreen, c.rgbBlue);
}
inline uint8_t Expand5(unsigned v) { return uint8_t((v << 3) | (v >> 2)); }
inline uint8_t Expand6(unsigned v) { return uint8_t((v << 2) | (v >> 4)); }

// Nearest palette entry of a colour (squared distance), remembered per colour.
class TNearest {
 public:
  explicit TNearest(const std::vector<RGBQUAD>& pal) : FPal(pal) {}
  unsigned operator()(uint32_t rgb) {
    rgb &= 0xFFFFFF;
    auto it = FCache.constFind(rgb);
    if (it != FCache.constEnd()) return *it;
    const int r = int((rgb >> 16) & 0xFF), g = int((rgb >> 8) & 0xFF), b = int(rgb & 0xFF);
    unsigned best = 0;
    int bestDistance = INT32_MAX;
    for (unsigned i = 0; i < FPal.size(); ++i) {
      const int dr = r - FPal[i].rgbRed, dg = g - FPal[i].rgbGreen, db = b - FPal[i].rgbBlue;
      const int d = dr * dr + dg * dg + db * db;
      if (d < bestDistance) {
        bestDistance = d;
        best = i;
        if (d == 0) break;
      }
    }
    FCache.insert(rgb, best);
    return best;
  }

 private:
  const std::vector<RGBQUAD>& FPal;
  QHash<uint32_t, unsigned> FCache;
};
}  // namespace

void RowsToPixels32(TPixelFormat Format, const uint8_t* Rows, int Stride, const std::vector<RGBQUAD>& Colors,
                    int Width, int Height, uint8_t* Pixels32) {
  for (int y = 0; y < Height; ++y) {
    const uint8_t* src = Rows + size_t(y) * size_t(Stride);
    auto* dst = reinterpret_cast<uint32_t*>(Pixels32 + size_t(y) * size_t(Width) * 4);
    for (int x = 0; x < Width; ++x) {
      switch (Format) {
        case pf1bit: dst[x] = PaletteColor(Colors, (src[x >> 3] >> (7 - (x & 7))) & 1); break;
        case pf4bit: dst[x] = PaletteColor(Colors, (x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4)); break;
        case pf8bit: dst[x] = PaletteColor(Colors, src[x]); break;
        case pf15bit: {
          const unsigned v = unsigned(src[x * 2]) | (unsigned(src[x * 2 + 1]) << 8);
          dst[x] = Opaque(Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31));
          break;
        }
        case pf16bit: {
          const unsigned v = unsigned(src[x * 2]) | (unsigned(src[x * 2 + 1]) << 8);
          dst[x] = Opaque(Expand5((v >> 11) & 31), Expand6((v >> 5) & 63), Expand5(v & 31));
          break;
        }
        case pf24bit: dst[x] = Opaque(src[x * 3 + 2], src[x * 3 + 1], src[x * 3]); break;
        default: dst[x] = reinterpret_cast<const uint32_t*>(src)[x] | 0xFF000000u; break;
      }
    }
  }
}

void Pixels32ToRows(TPixelFormat Format, const uint8_t* Pixels32, int Width, int Height,
                    const std::vector<RGBQUAD>& Colors, uint8_t* Rows, int Stride) {
  TNearest nearest(Colors);
  for (int y = 0; y < Height; ++y) {
    const auto* src = reinterpret_cast<const uint32_t*>(Pixels32 + size_t(y) * size_t(Width) * 4);
    uint8_t* dst = Rows + size_t(y) * size_t(Stride);
    if (Format == pf1bit || Format == pf4bit) std::memset(dst, 0, size_t(Stride));
    for (int x = 0; x < Width; ++x) {
      const uint32_t p = src[x];
      const unsigned r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
      switch (Format) {
        case pf1bit:
          if (nearest(p) & 1) dst[x >> 3] |= uint8_t(0x80 >> (x & 7));
          break;
        case pf4bit: dst[x >> 1] |= uint8_t((nearest(p) & 0x0F) << ((x & 1) ? 0 : 4)); break;
        case pf8bit: dst[x] = uint8_t(nearest(p)); break;
        case pf15bit: {
          const unsigned v = ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
          dst[x * 2] = uint8_t(v & 0xFF);
          dst[x * 2 + 1] = uint8_t(v >> 8);
          break;
        }
        case pf16bit: {
          const unsigned v = ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
          dst[x * 2] = uint8_t(v & 0xFF);
          dst[x * 2 + 1] = uint8_t(v >> 8);
          break;
        }
        case pf24bit:
          dst[x * 3] = uint8_t(b);
          dst[x * 3 + 1] = uint8_t(g);
          dst[x * 3 + 2] = uint8_t(r);
          break;
        default: reinterpret_cast<uint32_t*>(dst)[x] = p; break;
      }
    }
  }
}

// ---------------------------------------------------------------------------
// DIB decoding

namespace {
inline uint16_t LE16(const uchar* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t LE32(const uchar* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

constexpr DWORD kBiAlphaBitfields = 6;

// A channel of a bit-field pixel scaled to 0..255.
struct TChannel {
  uint32_t Mask = 0;
  int Shift = 0;
  uint32_t Max = 0;
  explicit TChannel(uint32_t mask) : Mask(mask) {
    if (!mask) return;
    Shift = std::countr_zero(mask);
    const int bits = std::popcount(mask >> Shift);
    Max = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
  }
  uint8_t Get(uint32_t v) const {
    if (!Mask || !Max) return 0;
    return uint8_t((uint64_t((v & Mask) >> Shift) * 255 + Max / 2) / Max);
  }
};
}  // namespace

TDecodedDib DecodeDib(const QByteArray& Data, qsizetype PixelOffset, bool Icon, const char* ErrorMessage) {
  auto fail = [&]() { InvalidGraphic(ErrorMessage); };
  const auto* p = reinterpret_cast<const uchar*>(Data.constData());
  const qsizetype n = Data.size();
  if (n < 12) fail();
  const uint32_t headerSize = LE32(p);
  int64_t width = 0, height = 0;
  int planes = 0, bitCount = 0;
  DWORD compression = BI_RGB;
  uint32_t colorsUsed = 0;
  bool core = false;
  qsizetype paletteStart = 0;
  uint32_t masks[4] = {0, 0, 0, 0};
  if (headerSize == 12) {
    core = true;
    width = LE16(p + 4);
    height = int16_t(LE16(p + 6));
    planes = LE16(p + 8);
    bitCount = LE16(p + 10);
    paletteStart = 12;
  } else if (headerSize >= 40 && headerSize <= 4096) {
    if (qsizetype(headerSize) > n) fail();
    width = int32_t(LE32(p + 4));
    height = int32_t(LE32(p + 8));
    planes = LE16(p + 12);
    bitCount = LE16(p + 14);
    compression = LE32(p + 16);
    colorsUsed = LE32(p + 32);
    paletteStart = headerSize;
    if (compression == BI_BITFIELDS || compression == kBiAlphaBitfields) {
      const int count = compression == kBiAlphaBitfields ? 4 : 3;
      if (headerSize >= 52) {
        for (int i = 0; i < 3; ++i) masks[i] = LE32(p + 40 + 4 * i);
        if (headerSize >= 56) masks[3] = LE32(p + 52);
      } else {
        if (paletteStart + 4 * count > n) fail();
        for (int i = 0; i < count; ++i) masks[i] = LE32(p + paletteStart + 4 * i);
        paletteStart += 4 * count;
      }
    }
  } else {
    fail();
  }
  if (planes != 1 || width <= 0 || height == 0) fail();
  const bool topDown = height < 0;
  int64_t fileRows = std::abs(height);
  const int64_t rows = Icon ? fileRows / 2 : fileRows;
  if (rows <= 0) fail();
  CheckImageSize(width, rows);
  const int w = int(width), h = int(rows);

  const bool rle = compression == BI_RLE8 || compression == BI_RLE4;
  bool ok = false;
  switch (bitCount) {
    case 1: ok = compression == BI_RGB; break;
    case 4: ok = compression == BI_RGB || compression == BI_RLE4; break;
    case 8: ok = compression == BI_RGB || compression == BI_RLE8; break;
    case 16:
    case 32: ok = compression == BI_RGB || compression == BI_BITFIELDS || compression == kBiAlphaBitfields; break;
    case 24: ok = compression == BI_RGB; break;
    default: break;
  }
  if (!ok || (rle && (topDown || Icon))) fail();

  TDecodedDib out;
  out.Width = w;
  out.Height = h;

  // Colour table.
  if (bitCount <= 8) {
    const uint32_t full = 1u << bitCount;
    const uint32_t count = colorsUsed == 0 || colorsUsed > full ? full : colorsUsed;
    const int entry = core ? 3 : 4;
    if (paletteStart + qsizetype(count) * entry > n) fail();
    out.Colors.resize(full, RGBQUAD{0, 0, 0, 0});
    for (uint32_t i = 0; i < count; ++i) {
      const uchar* c = p + paletteStart + qsizetype(i) * entry;
      out.Colors[i] = RGBQUAD{c[0], c[1], c[2], 0};
    }
    paletteStart += qsizetype(count) * entry;
  }
  if (PixelOffset < 0) PixelOffset = paletteStart;
  if (PixelOffset > n) fail();

  const int fileStride = int(((int64_t(w) * bitCount + 31) / 32) * 4);
  auto fileRow = [&](int y) -> const uchar* {
    const int64_t r = topDown ? y : h - 1 - y;
    return p + PixelOffset + qsizetype(r) * fileStride;
  };

  if (rle) {
    // Expand the runs into one index per pixel, bottom row first.
    std::vector<uint8_t> index(size_t(w) * size_t(h), 0);
    const bool rle8 = compression == BI_RLE8;
    qsizetype pos = PixelOffset;
    int64_t x = 0, y = 0;
    auto put = [&](unsigned value) {
      if (x < w && y < h) index[size_t(h - 1 - y) * size_t(w) + size_t(x)] = uint8_t(value);
      ++x;
    };
    for (;;) {
      if (pos + 2 > n) fail();
      const unsigned a = p[pos], b = p[pos + 1];
      pos += 2;
      if (a > 0) {
        for (unsigned i = 0; i < a; ++i) put(rle8 ? b : ((i & 1) ? (b & 0x0F) : (b >> 4)));
      } else if (b == 0) {
        x = 0;
        ++y;
      } else if (b == 1) {
        break;
      } else if (b == 2) {
        if (pos + 2 > n) fail();
        x += p[pos];
        y += p[pos + 1];
        pos += 2;
      } else {
        qsizetype bytes = rle8 ? qsizetype(b) : qsizetype((b + 1) / 2);
        bytes += bytes & 1;
        if (pos + bytes > n) fail();
        for (unsigned i = 0; i < b; ++i)
          put(rle8 ? p[pos + i] : ((i & 1) ? (p[pos + i / 2] & 0x0F) : (p[pos + i / 2] >> 4)));
        pos += bytes;
      }
      if (y >= h) break;
    }
    out.Format = rle8 ? pf8bit : pf4bit;
    const int stride = FormatStride(out.Format, w);
    out.Rows.assign(size_t(stride) * size_t(h), 0);
    for (int yy = 0; yy < h; ++yy) {
      uint8_t* dst = out.Rows.data() + size_t(yy) * size_t(stride);
      const uint8_t* src = index.data() + size_t(yy) * size_t(w);
      for (int xx = 0; xx < w; ++xx) {
        if (rle8) dst[xx] = src[xx];
        else dst[xx >> 1] |= uint8_t((src[xx] & 0x0F) << ((xx & 1) ? 0 : 4));
      }
    }
    return out;
  }

  // Uncompressed pixels must all be there.
  const int64_t pixelBytes = int64_t(fileStride) * h;
  if (PixelOffset + pixelBytes > n) fail();
  if (Icon) {
    out.MaskStride = int(((int64_t(w) + 31) / 32) * 4);
    const int64_t maskBytes = int64_t(out.MaskStride) * h;
    if (PixelOffset + pixelBytes + maskBytes <= n) {
      out.Mask.resize(size_t(maskBytes));
      for (int y = 0; y < h; ++y) {
        const int64_t r = topDown ? y : h - 1 - y;
        std::memcpy(out.Mask.data() + size_t(y) * size_t(out.MaskStride),
                    p + PixelOffset + pixelBytes + qsizetype(r) * out.MaskStride, size_t(out.MaskStride));
      }
    } else if (bitCount != 32) {
      fail();  // only 32-bit images may do without their mask
    }
  }

  const bool standard555 = compression == BI_RGB || (masks[0] == 0x7C00 && masks[1] == 0x3E0 && masks[2] == 0x1F);
  const bool standard565 = masks[0] == 0xF800 && masks[1] == 0x7E0 && masks[2] == 0x1F;
  if (bitCount <= 8 || bitCount == 24 || (bitCount == 16 && (standard555 || standard565))) {
    out.Format = bitCount == 1    ? pf1bit
                 : bitCount == 4  ? pf4bit
                 : bitCount == 8  ? pf8bit
                 : bitCount == 24 ? pf24bit
                 : standard555    ? pf15bit
                                  : pf16bit;
    const int stride = FormatStride(out.Format, w);  // equals the file's
    out.Rows.resize(size_t(stride) * size_t(h));
    for (int y = 0; y < h; ++y) std::memcpy(out.Rows.data() + size_t(y) * size_t(stride), fileRow(y), size_t(stride));
    return out;
  }

  if (bitCount == 16) {
    // Other bit fields: to 24 bits.
    const TChannel cr(masks[0]), cg(masks[1]), cb(masks[2]);
    out.Format = pf24bit;
    const int stride = FormatStride(pf24bit, w);
    out.Rows.assign(size_t(stride) * size_t(h), 0);
    for (int y = 0; y < h; ++y) {
      const uchar* src = fileRow(y);
      uint8_t* dst = out.Rows.data() + size_t(y) * size_t(stride);
      for (int x = 0; x < w; ++x) {
        const uint32_t v = LE16(src + 2 * x);
        dst[x * 3] = cb.Get(v);
        dst[x * 3 + 1] = cg.Get(v);
        dst[x * 3 + 2] = cr.Get(v);
      }
    }
    return out;
  }

  // 32 bits.
  out.Format = pf32bit;
  out.Pixels32.resize(size_t(w) * size_t(h) * 4);
  const bool fields = compression != BI_RGB;
  const TChannel cr(fields ? masks[0] : 0xFF0000), cg(fields ? masks[1] : 0xFF00), cb(fields ? masks[2] : 0xFF),
      ca(fields ? masks[3] : 0xFF000000u);
  for (int y = 0; y < h; ++y) {
    const uchar* src = fileRow(y);
    uint8_t* dst = out.Pixels32.data() + size_t(y) * size_t(w) * 4;
    for (int x = 0; x < w; ++x) {
      const uint32_t v = LE32(src + 4 * x);
      dst[x * 4] = cb.Get(v);
      dst[x * 4 + 1] = cg.Get(v);
      dst[x * 4 + 2] = cr.Get(v);
      dst[x * 4 + 3] = ca.Get(v);
      if (dst[x * 4 + 3] != 0) out.AlphaUsed = true;
    }
  }
  return out;
}

}  // namespace vclgraphics

// ---------------------------------------------------------------------------
// TBitmapCanvas

// The canvas of a bitmap: a memory DC holding the bitmap's surface, made
// when first needed and let go whenever the surface is replaced.
class TBitmapCanvas : public TCanvas {
 public:
  explicit TBitmapCanvas(TBitmap* Bitmap) : FBitmap(Bitmap) {}
  ~TBitmapCanvas() override { FreeContext(); }

  void FreeContext() { SetHandle(nullptr); }

  // The DC for reading the surface (drawing the bitmap elsewhere): made
  // like any other, but not taken as a change of the pixels.
  HDC SourceHandle() {
    TCanvas::RequiredState({csHandleValid});
    return RawHandle();
  }

 protected:
  void CreateHandle() override {
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return;
    if (FBitmap->FHandle) SelectObject(dc, FBitmap->FHandle);
    AdoptHandle(dc);
  }

  void RequiredState(TCanvasState ReqState) override {
    FBitmap->SurfaceTouched();
    TCanvas::RequiredState(ReqState);
  }

 private:
  TBitmap* FBitmap;
};

// ---------------------------------------------------------------------------
// TBitmap

TF_PUBLISHED(TBitmap, TGraphic) { return TPublished<TBitmap>(); }

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int AWidth, int AHeight) { SetSize(AWidth, AHeight); }

TBitmap::~TBitmap() {
  FCanvas.reset();
  FreeSurface();
}

int TBitmap::BytesPerScanLine() const {
  return Mirrored() ? FormatStride(FPixelFormat, FWidth) : FWidth * 4;
}

TCanvas* TBitmap::Canvas() {
  if (!FCanvas) FCanvas = std::make_unique<TBitmapCanvas>(this);
  return FCanvas.get();
}

void TBitmap::FreeContext() {
  if (FCanvas) FCanvas->FreeContext();
}

void TBitmap::FreeSurface() {
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
  FBits = nullptr;
}

QImage TBitmap::SurfaceImage() const {
  if (!FBits) return QImage();
  return QImage(FBits, FWidth, FHeight, FWidth * 4, QImage::Format_ARGB32_Premultiplied);
}

namespace {
// A top-down 32-bit DIB section of the size, white.
HBITMAP NewSurface(int w, int h, uint8_t*& bits) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* p = nullptr;
  HBITMAP h32 = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
  if (!h32 || !p) throw EOutOfMemory(QStringLiteral("Out of system resources"));
  bits = static_cast<uint8_t*>(p);
  std::fill_n(reinterpret_cast<uint32_t*>(bits), size_t(w) * size_t(h), 0xFFFFFFFFu);
  return h32;
}
}  // namespace

void TBitmap::Clear() {
  FreeContext();
  FreeSurface();
  FWidth = FHeight = 0;
  FPixels.clear();
  FSync = TSync::InStep;
}

void TBitmap::Resize(int AWidth, int AHeight) {
  if (AWidth <= 0 || AHeight <= 0) {
    Clear();
    return;
  }
  CheckImageSize(AWidth, AHeight);
  SurfaceNeeded();
  uint8_t* bits = nullptr;
  HBITMAP h = NewSurface(AWidth, AHeight, bits);
  if (FBits) {
    const int rows = std::min(FHeight, AHeight), cols = std::min(FWidth, AWidth);
    for (int y = 0; y < rows; ++y)
      std::memcpy(bits + size_t(y) * size_t(AWidth) * 4, FBits + size_t(y) * size_t(FWidth) * 4, size_t(cols) * 4);
  }
  FreeContext();
  FreeSurface();
  FHandle = h;
  FBits = bits;
  FWidth = AWidth;
  FHeight = AHeight;
  if (Mirrored()) {
    if (FColors.empty()) FColors = DefaultPalette(FPixelFormat);
    FPixels.assign(size_t(FormatStride(FPixelFormat, FWidth)) * size_t(FHeight), 0);
    SurfaceToPixels();
  }
  FSync = TSync::InStep;
}

void TBitmap::SetSize(int AWidth, int AHeight) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  if (AWidth == FWidth && AHeight == FHeight) return;
  Resize(AWidth, AHeight);
  Changed(this);
}

void TBitmap::SurfaceToPixels() {
  if (!Mirrored() || !FBits) return;
  Pixels32ToRows(FPixelFormat, FBits, FWidth, FHeight, FColors, FPixels.data(), FormatStride(FPixelFormat, FWidth));
}

void TBitmap::PixelsToSurface() {
  if (!Mirrored() || !FBits) return;
  RowsToPixels32(FPixelFormat, FPixels.data(), FormatStride(FPixelFormat, FWidth), FColors, FWidth, FHeight, FBits);
}

void TBitmap::SurfaceNeeded() {
  if (FSync == TSync::PixelsNewer) {
    PixelsToSurface();
    FSync = TSync::InStep;
  }
}

void TBitmap::PixelsNeeded() {
  if (FSync == TSync::SurfaceNewer) {
    SurfaceToPixels();
    FSync = TSync::InStep;
  }
}

void TBitmap::SurfaceTouched() {
  BumpChangeCount();
  SurfaceNeeded();
  if (Mirrored() && FBits) FSync = TSync::SurfaceNewer;
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
  if (Value == pfCustom) throw EInvalidGraphic(QString::fromLatin1(GraphicsConsts::SInvalidPixelFormat));
  if (Value == FPixelFormat) return;
  SurfaceNeeded();
  FPixelFormat = Value;
  FColors = DefaultPalette(Value);
  FPixels.clear();
  if (Mirrored() && FBits) {
    FPixels.assign(size_t(FormatStride(FPixelFormat, FWidth)) * size_t(FHeight), 0);
    SurfaceToPixels();
    // The surface shows what the format can hold.
    FreeContext();
    PixelsToSurface();
  } else if (FBits && Value != pf32bit) {
    // pfDevice: colours only.
    auto* px = reinterpret_cast<uint32_t*>(FBits);
    for (size_t i = 0, n = size_t(FWidth) * size_t(FHeight); i < n; ++i) px[i] |= 0xFF000000u;
  }
  FSync = TSync::InStep;
  Changed(this);
}

void TBitmap::SetAlphaFormat(TAlphaFormat Value) {
  if (Value == FAlphaFormat) return;
  const TAlphaFormat old = FAlphaFormat;
  FAlphaFormat = Value;
  if (FPixelFormat == pf32bit && FBits) {
    auto* px = reinterpret_cast<uint32_t*>(FBits);
    const size_t n = size_t(FWidth) * size_t(FHeight);
    if (old == afIgnored && Value == afDefined) {
      for (size_t i = 0; i < n; ++i) px[i] = qPremultiply(px[i]);
    } else if (old == afDefined && Value == afIgnored) {
      for (size_t i = 0; i < n; ++i) px[i] = qUnpremultiply(px[i]);
    }
  }
  Changed(this);
}

bool TBitmap::SupportsPartialTransparency() const { return FPixelFormat == pf32bit && FAlphaFormat != afIgnored; }

TColor TBitmap::TransparentColor() {
  if (Empty()) return clDefault;
  if (FTransparentMode == tmFixed) return FTransparentColor;
  SurfaceNeeded();
  const uint32_t p = reinterpret_cast<const uint32_t*>(FBits)[size_t(FHeight - 1) * size_t(FWidth)];
  return TColor(((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16)) | 0x02000000;
}

void TBitmap::SetTransparentColor(TColor Value) {
  if (Value == FTransparentColor) return;
  FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
  FTransparentColor = Value;
  Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
  if (Value == FTransparentMode) return;
  if (Value == tmAuto) SetTransparentColor(clDefault);
  else SetTransparentColor(TransparentColor());
}

void* TBitmap::ScanLine(int Row) {
  if (Row < 0 || Row >= FHeight) throw EInvalidGraphicOperation(QString::fromLatin1(GraphicsConsts::SScanLine));
  BumpChangeCount();
  if (Mirrored()) {
    PixelsNeeded();
    FSync = TSync::PixelsNewer;
    return FPixels.data() + size_t(Row) * size_t(FormatStride(FPixelFormat, FWidth));
  }
  return FBits + size_t(Row) * size_t(FWidth) * 4;
}

HBITMAP TBitmap::Handle() {
  if (Empty()) return nullptr;
  BumpChangeCount();
  FreeContext();
  SurfaceNeeded();
  if (Mirrored()) FSync = TSync::SurfaceNewer;
  return FHandle;
}

void TBitmap::SetHandle(HBITMAP Value) {
  if (Value && Value == FHandle) return;
  if (!Value) {
    Clear();
    Changed(this);
    return;
  }
  QImage* image = GetBitmapImage(Value);
  if (!image) throw EInvalidGraphic(QString::fromLatin1(GraphicsConsts::SInvalidBitmap));
  const QImage copy = image->copy();
  DeleteObject(Value);
  LoadImage(copy, pfDevice, afIgnored);
  Changed(this);
}

HBITMAP TBitmap::ReleaseHandle() {
  if (Empty()) return nullptr;
  FreeContext();
  SurfaceNeeded();
  uint8_t* bits = nullptr;
  HBITMAP fresh = NewSurface(FWidth, FHeight, bits);
  std::memcpy(bits, FBits, size_t(FWidth) * size_t(FHeight) * 4);
  HBITMAP released = FHandle;
  FHandle = fresh;
  FBits = bits;
  return released;
}

void TBitmap::LoadImage(const QImage& Image, TPixelFormat Format, TAlphaFormat Alpha) {
  CheckImageSize(Image.width(), Image.height());
  const QImage src = Image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  uint8_t* bits = nullptr;
  HBITMAP h = NewSurface(src.width(), src.height(), bits);
  for (int y = 0; y < src.height(); ++y)
    std::memcpy(bits + size_t(y) * size_t(src.width()) * 4, src.constScanLine(y), size_t(src.width()) * 4);
  FreeContext();
  FreeSurface();
  FHandle = h;
  FBits = bits;
  FWidth = src.width();
  FHeight = src.height();
  FPixelFormat = Format;
  FAlphaFormat = Alpha;
  FColors = DefaultPalette(Format);
  FPixels.clear();
  if (Mirrored()) {
    FPixels.assign(size_t(FormatStride(FPixelFormat, FWidth)) * size_t(FHeight), 0);
    SurfaceToPixels();
  } else if (Format != pf32bit) {
    auto* px = reinterpret_cast<uint32_t*>(FBits);
    for (size_t i = 0, n = size_t(FWidth) * size_t(FHeight); i < n; ++i) px[i] |= 0xFF000000u;
  }
  FSync = TSync::InStep;
}

void TBitmap::AssignImage(const QImage& Image) {
  if (Image.isNull()) {
    Clear();
  } else {
    const bool alpha = HasAlpha(Image);
    LoadImage(Image, alpha ? pf32bit : pf24bit, alpha ? afDefined : afIgnored);
  }
  Changed(this);
}

QImage TBitmap::ToImage() {
  if (Empty()) return QImage();
  SurfaceNeeded();
  QImage image = SurfaceImage().copy();
  if (FPixelFormat == pf32bit && FAlphaFormat == afIgnored) {
    for (int y = 0; y < image.height(); ++y) {
      auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x) row[x] |= 0xFF000000u;
    }
  }
  return image;
}

void TBitmap::Assign(TPersistent* Source) {
  if (!Source) {
    Clear();
    Changed(this);
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(Source)) {
    if (b == this) return;
    b->SurfaceNeeded();
    b->PixelsNeeded();
    FreeContext();
    FreeSurface();
    FWidth = FHeight = 0;
    if (!b->Empty()) {
      uint8_t* bits = nullptr;
      FHandle = NewSurface(b->FWidth, b->FHeight, bits);
      FBits = bits;
      std::memcpy(FBits, b->FBits, size_t(b->FWidth) * size_t(b->FHeight) * 4);
      FWidth = b->FWidth;
      FHeight = b->FHeight;
    }
    FPixelFormat = b->FPixelFormat;
    FAlphaFormat = b->FAlphaFormat;
    FTransparentMode = b->FTransparentMode;
    FTransparentColor = b->FTransparentColor;
    FPixels = b->FPixels;
    FColors = b->FColors;
    FSync = TSync::InStep;
    SetTransparent(b->Transparent());
    Changed(this);
    return;
  }
  if (auto* g = dynamic_cast<TGraphic*>(Source)) {
    AssignImage(g->ToImage());
    return;
  }
  TGraphic::Assign(Source);
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (Empty() || !ACanvas) return;
  SurfaceNeeded();
  HDC dst = ACanvas->Handle();
  HDC src = static_cast<TBitmapCanvas*>(Canvas())->SourceHandle();
  const int w = Rect.Width(), h = Rect.Height();
  if (SupportsPartialTransparency()) {
    AlphaBlend(dst, Rect.Left, Rect.Top, w, h, src, 0, 0, FWidth, FHeight,
               BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA});
  } else if (Transparent()) {
    TransparentBlt(dst, Rect.Left, Rect.Top, w, h, src, 0, 0, FWidth, FHeight,
                   UINT(ColorToRGB(TransparentColor()) & 0xFFFFFF));
  } else if (FPixelFormat == pf32bit && ACanvas->CopyMode() == cmSrcCopy && w >= 0 && h >= 0 &&
             HasAlpha(SurfaceImage())) {
    // Alpha ignored: the colours are copied as opaque.
    AlphaBlend(dst, Rect.Left, Rect.Top, w, h, src, 0, 0, FWidth, FHeight, BLENDFUNCTION{AC_SRC_OVER, 0, 255, 0});
  } else {
    const int oldMode = SetStretchBltMode(dst, COLORONCOLOR);
    StretchBlt(dst, Rect.Left, Rect.Top, w, h, src, 0, 0, FWidth, FHeight, DWORD(ACanvas->CopyMode()));
    if (oldMode) SetStretchBltMode(dst, oldMode);
  }
}

void TBitmap::DrawTransparent(TCanvas* ACanvas, const TRect& Rect, Byte Opacity) {
  if (Empty() || !ACanvas) return;
  SurfaceNeeded();
  HDC dst = ACanvas->Handle();
  const int w = Rect.Width(), h = Rect.Height();
  if (!SupportsPartialTransparency() && Transparent()) {
    // The colour key becomes alpha for the blend.
    const uint32_t key = uint32_t(ColorToRGB(TransparentColor())) & 0xFFFFFF;
    const uint32_t keyPixel = ((key & 0xFF) << 16) | (key & 0xFF00) | ((key >> 16) & 0xFF);
    QImage keyed = SurfaceImage().copy();
    for (int y = 0; y < keyed.height(); ++y) {
      auto* row = reinterpret_cast<uint32_t*>(keyed.scanLine(y));
      for (int x = 0; x < keyed.width(); ++x) row[x] = (row[x] & 0xFFFFFF) == keyPixel ? 0u : (row[x] | 0xFF000000u);
    }
    HBITMAP hb = CreateBitmapFromImage(keyed);
    HDC src = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(src, hb);
    AlphaBlend(dst, Rect.Left, Rect.Top, w, h, src, 0, 0, FWidth, FHeight,
               BLENDFUNCTION{AC_SRC_OVER, 0, Opacity, AC_SRC_ALPHA});
    SelectObject(src, old);
    DeleteDC(src);
    DeleteObject(hb);
    return;
  }
  HDC src = static_cast<TBitmapCanvas*>(Canvas())->SourceHandle();
  AlphaBlend(dst, Rect.Left, Rect.Top, w, h, src, 0, 0, FWidth, FHeight,
             BLENDFUNCTION{AC_SRC_OVER, 0, Opacity, BYTE(SupportsPartialTransparency() ? AC_SRC_ALPHA : 0)});
}

// ---------------------------------------------------------------------------
// BMP files

namespace {
constexpr int kFileHeaderSize = 14;

void PutLE16(QByteArray& b, int at, uint16_t v) {
  b[at] = char(v & 0xFF);
  b[at + 1] = char(v >> 8);
}
void PutLE32(QByteArray& b, int at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = char((v >> (8 * i)) & 0xFF);
}
}  // namespace

bool TBitmap::CanLoadFromStream(TStream* Stream) { return PeekBytes(Stream, 2) == "BM"; }

void TBitmap::LoadFromStream(TStream* Stream) {
  const Int64 start = Stream->Position();
  try {
    const QByteArray bytes = ReadToEnd(Stream);
    if (bytes.size() < kFileHeaderSize + 12 || !bytes.startsWith("BM")) InvalidGraphic(GraphicsConsts::SInvalidBitmap);
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    const uint32_t fileSize = LE32(p + 2);
    const uint32_t offBits = LE32(p + 10);
    const QByteArray dib = bytes.mid(kFileHeaderSize);
    const qsizetype pixelOffset =
        offBits >= uint32_t(kFileHeaderSize) + 12 && qsizetype(offBits) <= bytes.size() ? qsizetype(offBits) - kFileHeaderSize : -1;
    TDecodedDib d = DecodeDib(dib, pixelOffset, false, GraphicsConsts::SInvalidBitmap);

    uint8_t* bits = nullptr;
    HBITMAP h = NewSurface(d.Width, d.Height, bits);
    FreeContext();
    FreeSurface();
    FHandle = h;
    FBits = bits;
    FWidth = d.Width;
    FHeight = d.Height;
    FPixelFormat = d.Format;
    FAlphaFormat = afIgnored;
    FPixels.clear();
    FColors.clear();
    if (d.Format == pf32bit) {
      std::memcpy(FBits, d.Pixels32.data(), d.Pixels32.size());
      // Alpha bytes that are all zero mean "no alpha": the pixels are opaque.
      if (!d.AlphaUsed) {
        auto* px = reinterpret_cast<uint32_t*>(FBits);
        for (size_t i = 0, n = size_t(FWidth) * size_t(FHeight); i < n; ++i) px[i] |= 0xFF000000u;
      }
    } else {
      FPixels = std::move(d.Rows);
      FColors = d.Colors.empty() ? DefaultPalette(FPixelFormat) : std::move(d.Colors);
      PixelsToSurface();
    }
    FSync = TSync::InStep;
    // The stream moves to the end of the file when its header tells.
    const qsizetype used = fileSize >= uint32_t(kFileHeaderSize) && qsizetype(fileSize) <= bytes.size() ? qsizetype(fileSize) : bytes.size();
    Stream->SetPosition(start + used);
  } catch (...) {
    Clear();
    Changed(this);
    throw;
  }
  Changed(this);
}

void TBitmap::SaveToStream(TStream* Stream) {
  if (Empty()) return;
  SurfaceNeeded();
  PixelsNeeded();
  const TPixelFormat format = FPixelFormat == pfDevice ? pf24bit : FPixelFormat;
  const int bitCount = FormatBitCount(format);
  const int stride = FormatStride(format, FWidth);
  const bool fields = format == pf16bit;
  const int paletteSize = bitCount <= 8 ? int(FColors.size()) * 4 : 0;
  const int offBits = kFileHeaderSize + 40 + (fields ? 12 : 0) + paletteSize;
  const int64_t imageSize = int64_t(stride) * FHeight;
  QByteArray head(offBits, '\0');
  head[0] = 'B';
  head[1] = 'M';
  PutLE32(head, 2, uint32_t(int64_t(offBits) + imageSize));
  PutLE32(head, 10, uint32_t(offBits));
  PutLE32(head, 14, 40);
  PutLE32(head, 18, uint32_t(FWidth));
  PutLE32(head, 22, uint32_t(FHeight));  // bottom-up rows
  PutLE16(head, 26, 1);
  PutLE16(head, 28, uint16_t(bitCount));
  PutLE32(head, 30, fields ? BI_BITFIELDS : BI_RGB);
  PutLE32(head, 34, uint32_t(imageSize));
  PutLE32(head, 38, 3780);  // 96 pixels per inch
  PutLE32(head, 42, 3780);
  PutLE32(head, 46, bitCount <= 8 ? uint32_t(FColors.size()) : 0);
  int at = kFileHeaderSize + 40;
  if (fields) {
    PutLE32(head, at, 0xF800);
    PutLE32(head, at + 4, 0x07E0);
    PutLE32(head, at + 8, 0x001F);
    at += 12;
  }
  for (int i = 0; i < paletteSize / 4; ++i) {
    head[at + 4 * i] = char(FColors[size_t(i)].rgbBlue);
    head[at + 4 * i + 1] = char(FColors[size_t(i)].rgbGreen);
    head[at + 4 * i + 2] = char(FColors[size_t(i)].rgbRed);
  }
  Stream->WriteBuffer(head.constData(), head.size());

  std::vector<uint8_t> row(size_t(stride), 0);
  for (int y = FHeight - 1; y >= 0; --y) {
    if (Mirrored()) {
      Stream->WriteBuffer(FPixels.data() + size_t(y) * size_t(stride), stride);
      continue;
    }
    const auto* src = reinterpret_cast<const uint32_t*>(FBits + size_t(y) * size_t(FWidth) * 4);
    if (format == pf24bit) {
      for (int x = 0; x < FWidth; ++x) {
        row[size_t(x) * 3] = uint8_t(src[x] & 0xFF);
        row[size_t(x) * 3 + 1] = uint8_t((src[x] >> 8) & 0xFF);
        row[size_t(x) * 3 + 2] = uint8_t((src[x] >> 16) & 0xFF);
      }
    } else {
      // 32 bits: straight alpha in the file.
      auto* dst = reinterpret_cast<uint32_t*>(row.data());
      for (int x = 0; x < FWidth; ++x) dst[x] = FAlphaFormat == afIgnored ? src[x] : qUnpremultiply(src[x]);
    }
    Stream->WriteBuffer(row.data(), stride);
  }
}

void TBitmap::ReadData(TStream* Stream) {
  int32_t size = 0;
  if (Stream->ReadData(size) != 4) InvalidGraphic(GraphicsConsts::SInvalidBitmap);
  const Int64 available = Stream->Size() - Stream->Position();
  if (size < 0 || size > available) InvalidGraphic(GraphicsConsts::SInvalidBitmap);
  if (size == 0) {
    Clear();
    Changed(this);
    return;
  }
  TMemoryStream data;
  data.CopyFrom(Stream, size);
  data.SetPosition(0);
  LoadFromStream(&data);
}

void TBitmap::WriteData(TStream* Stream) {
  TMemoryStream data;
  SaveToStream(&data);
  Stream->WriteData(int32_t(data.Size()));
  if (data.Size() > 0) Stream->WriteBuffer(data.Memory(), data.Size());
}
