// TIcon: ICO files with one or more images (DIB or PNG encoded).

#include <algorithm>
#include <cstring>
#include <tuple>

#include "platform/vcl/Graphics.h"
#include "platform/vcl/GraphicsConsts.h"
#include "platform/vcl/GraphicsPrivate.h"

using namespace vclgraphics;

namespace {
inline uint16_t LE16(const uchar* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t LE32(const uchar* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

const QByteArray kPngSignature("\x89PNG\r\n\x1a\n", 8);

// One image of an icon file as ARGB32 premultiplied.
QImage DecodeIconImage(const QByteArray& data, int& bitCount) {
  if (data.startsWith(kPngSignature)) {
    // Checked as PNG files are: a chunk claiming more than the entry holds
    // would have the decoder reserve memory for it.
    const qsizetype length = PngLength(data);
    if (length < 0) InvalidGraphic(GraphicsConsts::SInvalidIcon);
    const QImage image = DecodeWithQt(data.left(length), "png");
    if (image.isNull()) InvalidGraphic(GraphicsConsts::SInvalidIcon);
    bitCount = 32;
    return image;
  }
  const TDecodedDib d = DecodeDib(data, -1, true, GraphicsConsts::SInvalidIcon);
  bitCount = FormatBitCount(d.Format);
  QImage image(d.Width, d.Height, QImage::Format_ARGB32);
  if (d.Format == pf32bit) {
    for (int y = 0; y < d.Height; ++y)
      std::memcpy(image.scanLine(y), d.Pixels32.data() + size_t(y) * size_t(d.Width) * 4, size_t(d.Width) * 4);
  } else {
    std::vector<uint8_t> pixels(size_t(d.Width) * size_t(d.Height) * 4);
    RowsToPixels32(d.Format, d.Rows.data(), FormatStride(d.Format, d.Width), d.Colors, d.Width, d.Height,
                   pixels.data());
    for (int y = 0; y < d.Height; ++y)
      std::memcpy(image.scanLine(y), pixels.data() + size_t(y) * size_t(d.Width) * 4, size_t(d.Width) * 4);
  }
  // Without alpha values the AND mask tells the transparent pixels.
  const bool alpha = d.Format == pf32bit && d.AlphaUsed;
  for (int y = 0; y < d.Height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
    const uint8_t* mask = d.Mask.empty() ? nullptr : d.Mask.data() + size_t(y) * size_t(d.MaskStride);
    for (int x = 0; x < d.Width; ++x) {
      if (!alpha) row[x] |= 0xFF000000u;
      if (!alpha && mask && (mask[x >> 3] & (0x80 >> (x & 7)))) row[x] = 0;
    }
  }
  return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}
}  // namespace

TF_PUBLISHED(TIcon, TGraphic) { return TPublished<TIcon>(); }

TIcon::TIcon() = default;

TIcon::~TIcon() = default;

void TIcon::Assign(TPersistent* Source) {
  if (!Source) {
    FEntries.clear();
    FData.clear();
    FImage = QImage();
    FBitmap.reset();
    Changed(this);
  } else if (auto* icon = dynamic_cast<TIcon*>(Source)) {
    if (icon == this) return;
    FEntries = icon->FEntries;
    FData = icon->FData;
    FRequestedSize = icon->FRequestedSize;
    FImage = icon->FImage;
    FBitmap.reset();
    Changed(this);
  } else {
    TGraphic::Assign(Source);
  }
}

std::vector<TSize> TIcon::Sizes() const {
  std::vector<TSize> sizes;
  for (const TEntry& e : FEntries) sizes.push_back(TSize(e.Image.width(), e.Image.height()));
  return sizes;
}

void TIcon::SelectEntry() {
  FBitmap.reset();
  if (FEntries.empty()) {
    FImage = QImage();
    return;
  }
  const int rw = FRequestedSize.cx, rh = FRequestedSize.cy;
  auto key = [&](const TEntry& e) {
    const int w = e.Image.width(), h = e.Image.height();
    const int64_t area = int64_t(w) * h;
    if (w == rw && h == rh) return std::make_tuple(0, int64_t(0), -e.BitCount);
    if (w >= rw && h >= rh) return std::make_tuple(1, area, -e.BitCount);
    return std::make_tuple(2, -area, -e.BitCount);
  };
  const auto best = std::min_element(FEntries.begin(), FEntries.end(),
                                     [&](const TEntry& a, const TEntry& b) { return key(a) < key(b); });
  FImage = best->Image;
}

void TIcon::SetSize(int AWidth, int AHeight) {
  const TSize size(std::max(AWidth, 0), std::max(AHeight, 0));
  if (size == FRequestedSize) return;
  FRequestedSize = size;
  if (FEntries.empty()) return;
  const QSize before = FImage.size();
  SelectEntry();
  if (FImage.size() != before) Changed(this);
}

bool TIcon::CanLoadFromStream(TStream* Stream) {
  const QByteArray head = PeekBytes(Stream, 6);
  if (head.size() < 6) return false;
  const auto* p = reinterpret_cast<const uchar*>(head.constData());
  return LE16(p) == 0 && LE16(p + 2) == 1 && LE16(p + 4) > 0;
}

void TIcon::LoadFromStream(TStream* Stream) {
  const Int64 start = Stream->Position();
  try {
    const QByteArray bytes = ReadToEnd(Stream);
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype n = bytes.size();
    if (n < 6 || LE16(p) != 0 || LE16(p + 2) != 1) InvalidGraphic(GraphicsConsts::SInvalidIcon);
    const int count = LE16(p + 4);
    if (count == 0 || 6 + qsizetype(count) * 16 > n) InvalidGraphic(GraphicsConsts::SInvalidIcon);
    std::vector<TEntry> entries;
    qsizetype end = 6 + qsizetype(count) * 16;
    for (int i = 0; i < count; ++i) {
      const uchar* e = p + 6 + i * 16;
      const uint32_t size = LE32(e + 8), offset = LE32(e + 12);
      if (size == 0 || offset > uint32_t(n) || size > uint32_t(n) - offset) InvalidGraphic(GraphicsConsts::SInvalidIcon);
      TEntry entry;
      entry.Image = DecodeIconImage(bytes.mid(qsizetype(offset), qsizetype(size)), entry.BitCount);
      entries.push_back(std::move(entry));
      end = std::max(end, qsizetype(offset) + qsizetype(size));
    }
    FEntries = std::move(entries);
    FData = bytes.left(end);
    SelectEntry();
    Stream->SetPosition(start + end);
  } catch (...) {
    FEntries.clear();
    FData.clear();
    FImage = QImage();
    FBitmap.reset();
    Changed(this);
    throw;
  }
  Changed(this);
}

void TIcon::SaveToStream(TStream* Stream) { WriteBytes(Stream, FData); }

TBitmap* TIcon::DrawBitmap() {
  if (!FBitmap && !FImage.isNull()) {
    FBitmap = std::make_unique<TBitmap>();
    FBitmap->AssignImage(FImage);
    // An icon drawn blends its alpha even when all pixels are opaque.
    FBitmap->SetPixelFormat(pf32bit);
    FBitmap->SetAlphaFormat(afPremultiplied);
  }
  return FBitmap.get();
}

void TIcon::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (TBitmap* bitmap = DrawBitmap()) DrawGraphic(bitmap, ACanvas, Rect);
}

void TIcon::DrawTransparent(TCanvas* ACanvas, const TRect& Rect, Byte Opacity) {
  if (TBitmap* bitmap = DrawBitmap()) DrawGraphicTransparent(bitmap, ACanvas, Rect, Opacity);
}
