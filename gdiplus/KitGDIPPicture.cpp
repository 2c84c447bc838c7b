// Image-header sniffers, the raster bytes of GDI+ pictures, and
// TKitGDIPPicture.

#include "gdiplus/KitGDIPPicture.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "foundation/KitUtils.h"
#include "gdiplus/KitGDIPFlat.h"
#include "platform/rtl/RtlConsts.h"

namespace KitGDIP {

// ---------------------------------------------------------------------------
// Byte readers

namespace {
uint32_t BE16(const uchar* p) { return (uint32_t(p[0]) << 8) | p[1]; }
uint32_t LE16(const uchar* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8); }
uint32_t BE32(const uchar* p) { return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3]; }
uint32_t LE32(const uchar* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }

bool Fail(int& Width, int& Height) {
  Width = 0;
  Height = 0;
  return false;
}

bool Answer(uint64_t w, uint64_t h, int& Width, int& Height) {
  if (w > uint64_t(INT32_MAX) || h > uint64_t(INT32_MAX)) return Fail(Width, Height);
  Width = int(w);
  Height = int(h);
  return true;
}

// The frame header of a JPEG: the first SOF0-SOF2 one, or with AnyFrame the
// first of every frame kind (for the size limit of the decoder).
bool JpegScan(const uchar* d, qsizetype n, bool AnyFrame, int& Width, int& Height) {
  if (n < 2 || d[0] != 0xFF || d[1] != 0xD8) return Fail(Width, Height);
  qsizetype pos = 2;
  for (;;) {
    if (pos >= n || d[pos] != 0xFF) return Fail(Width, Height);
    while (pos < n && d[pos] == 0xFF) ++pos;  // fill bytes
    if (pos >= n) return Fail(Width, Height);
    const uchar marker = d[pos++];
    const bool frame = AnyFrame ? (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                                   marker != 0xCC)
                                : (marker == 0xC0 || marker == 0xC1 || marker == 0xC2);
    if (frame) {
      // Length (2) and precision (1), then height and width.
      if (pos + 7 > n) return Fail(Width, Height);
      return Answer(BE16(d + pos + 5), BE16(d + pos + 3), Width, Height);
    }
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length
    if (marker == 0xD8 || marker == 0xD9) return Fail(Width, Height);    // no frame before the end
    if (pos + 2 > n) return Fail(Width, Height);
    const uint32_t length = BE16(d + pos);
    if (length < 2) return Fail(Width, Height);  // would not move on
    pos += qsizetype(length);
  }
}

// Walks the blocks of a GIF: the first image descriptor's size, and how
// many image descriptors there are (up to MaxFrames) with the largest side
// any of them declares.
bool GifWalk(const uchar* d, qsizetype n, int& Width, int& Height, int* Frames, int MaxFrames,
             int* LargestSide = nullptr) {
  if (Frames) *Frames = 0;
  if (LargestSide) *LargestSide = 0;
  if (n < 13 || d[0] != 'G' || d[1] != 'I' || d[2] != 'F') return Fail(Width, Height);
  qsizetype pos = 13;
  if (d[10] & 0x80) pos += 3 * (qsizetype(1) << ((d[10] & 0x07) + 1));
  bool found = false;
  auto skipSubBlocks = [&]() {
    for (;;) {
      if (pos >= n) return false;
      const int length = d[pos++];
      if (length == 0) return true;
      pos += length;
    }
  };
  for (;;) {
    if (pos >= n) break;
    const uchar block = d[pos++];
    if (block == 0x2C) {
      if (pos + 9 > n) break;
      if (!found) {
        Width = int(LE16(d + pos + 4));
        Height = int(LE16(d + pos + 6));
        found = true;
      }
      if (LargestSide)
        *LargestSide = std::max({*LargestSide, int(LE16(d + pos) + LE16(d + pos + 4)),
                                 int(LE16(d + pos + 2) + LE16(d + pos + 6))});
      if (!Frames) return true;
      if (++*Frames >= MaxFrames) return true;
      const uchar flags = d[pos + 8];
      pos += 9;
      if (flags & 0x80) pos += 3 * (qsizetype(1) << ((flags & 0x07) + 1));
      if (pos >= n) break;
      ++pos;  // minimum code size
      if (!skipSubBlocks()) break;
    } else if (block == 0x21) {
      if (pos >= n) break;
      ++pos;  // label
      if (!skipSubBlocks()) break;
    } else {
      break;  // trailer or a byte that starts no block
    }
  }
  if (!found) return Fail(Width, Height);
  return true;
}

// Reads a TIFF directory chain: the size of the first directory, and the
// largest pixel count of up to 64 directories.
bool TiffWalk(const uchar* d, qsizetype n, int& Width, int& Height, uint64_t* LargestPixels) {
  if (n < 8) return Fail(Width, Height);
  bool big;
  if (d[0] == 'I' && d[1] == 'I')
    big = false;
  else if (d[0] == 'M' && d[1] == 'M')
    big = true;
  else
    return Fail(Width, Height);
  auto u16 = [&](qsizetype at) { return big ? BE16(d + at) : LE16(d + at); };
  auto u32 = [&](qsizetype at) { return big ? BE32(d + at) : LE32(d + at); };
  if (u16(2) != 42) return Fail(Width, Height);
  uint64_t ifd = u32(4);
  bool first = true;
  if (LargestPixels) *LargestPixels = 0;
  for (int directory = 0; directory < 64 && ifd != 0; ++directory) {
    if (ifd + 2 > uint64_t(n)) break;
    const uint32_t count = u16(qsizetype(ifd));
    uint64_t w = 0, h = 0;
    bool haveW = false, haveH = false;
    for (uint32_t i = 0; i < count; ++i) {
      const uint64_t at = ifd + 2 + uint64_t(i) * 12;
      if (at + 12 > uint64_t(n)) break;
      const uint32_t tag = u16(qsizetype(at));
      const uint32_t type = u16(qsizetype(at + 2));
      uint64_t value;
      if (type == 3)
        value = u16(qsizetype(at + 8));  // SHORT: the first two bytes of the value field
      else if (type == 4)
        value = u32(qsizetype(at + 8));  // LONG
      else
        continue;
      if (tag == 256) {
        w = value;
        haveW = true;
      } else if (tag == 257) {
        h = value;
        haveH = true;
      }
      if (haveW && haveH) break;
    }
    if (!(haveW && haveH)) break;
    if (first) {
      if (!Answer(w, h, Width, Height)) return false;
      first = false;
      if (!LargestPixels) return true;
    }
    if (LargestPixels) *LargestPixels = std::max(*LargestPixels, w * h);
    // The next directory's offset follows the entries.
    const uint64_t next = ifd + 2 + uint64_t(count) * 12;
    if (next + 4 > uint64_t(n)) break;
    const uint64_t following = u32(qsizetype(next));
    if (following <= ifd) break;  // a chain must move on
    ifd = following;
  }
  if (first) return Fail(Width, Height);
  return true;
}

// The bytes of a file for a sniffer: mapped, or read when it cannot be
// mapped. Empty when the file cannot be read.
class TFileBytes {
 public:
  explicit TFileBytes(const QString& FileName) : FFile(FileName) {
    if (!FFile.open(QIODevice::ReadOnly)) return;
    const qint64 size = FFile.size();
    if (size <= 0) return;
    if (uchar* map = FFile.map(0, size)) {
      FData = map;
      FSize = size;
      return;
    }
    // Headers are near the start: a file that cannot be mapped is read up
    // to a bounded length.
    FCopy = FFile.read(std::min<qint64>(size, 64 * 1024 * 1024));
    FData = reinterpret_cast<const uchar*>(FCopy.constData());
    FSize = FCopy.size();
  }
  const uchar* Data() const { return FData; }
  qsizetype Size() const { return FSize; }

 private:
  QFile FFile;
  QByteArray FCopy;
  const uchar* FData = nullptr;
  qsizetype FSize = 0;
};

template <class F>
void SniffFile(const QString& FileName, int& Width, int& Height, F sniff) {
  Width = 0;
  Height = 0;
  TFileBytes bytes(FileName);
  if (bytes.Size() == 0) return;
  sniff(bytes.Data(), bytes.Size(), Width, Height);
}
}  // namespace

// ---------------------------------------------------------------------------
// Sniffers

bool JpegSizeOf(const uchar* Data, qsizetype Size, int& Width, int& Height) {
  return Data && JpegScan(Data, Size, false, Width, Height);
}

bool PngSizeOf(const uchar* Data, qsizetype Size, int& Width, int& Height) {
  static const uchar signature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
  if (!Data || Size < 24 || std::memcmp(Data, signature, 8) != 0 || std::memcmp(Data + 12, "IHDR", 4) != 0)
    return Fail(Width, Height);
  return Answer(BE32(Data + 16), BE32(Data + 20), Width, Height);
}

bool GifSizeOf(const uchar* Data, qsizetype Size, int& Width, int& Height) {
  return Data && GifWalk(Data, Size, Width, Height, nullptr, 0);
}

bool BmpSizeOf(const uchar* Data, qsizetype Size, int& Width, int& Height) {
  if (!Data || Size < 18 || Data[0] != 'B' || Data[1] != 'M') return Fail(Width, Height);
  const uint32_t header = LE32(Data + 14);
  if (header == 12) {  // OS/2 core header: 16-bit sizes
    if (Size < 22) return Fail(Width, Height);
    return Answer(LE16(Data + 18), LE16(Data + 20), Width, Height);
  }
  if (Size < 26) return Fail(Width, Height);
  const int32_t w = int32_t(LE32(Data + 18));
  const int32_t h = int32_t(LE32(Data + 22));
  if (w < 0 || h == INT32_MIN) return Fail(Width, Height);
  return Answer(uint64_t(w), uint64_t(h < 0 ? -int64_t(h) : h), Width, Height);  // top-down bitmaps too
}

bool TiffSizeOf(const uchar* Data, qsizetype Size, int& Width, int& Height) {
  return Data && TiffWalk(Data, Size, Width, Height, nullptr);
}

void GetJpegSize(const QString& FileName, int& Width, int& Height) {
  SniffFile(FileName, Width, Height, JpegSizeOf);
}
void GetPngSize(const QString& FileName, int& Width, int& Height) { SniffFile(FileName, Width, Height, PngSizeOf); }
void GetGifSize(const QString& FileName, int& Width, int& Height) { SniffFile(FileName, Width, Height, GifSizeOf); }
void GetBmpSize(const QString& FileName, int& Width, int& Height) { SniffFile(FileName, Width, Height, BmpSizeOf); }
void GetTiffSize(const QString& FileName, int& Width, int& Height) {
  SniffFile(FileName, Width, Height, TiffSizeOf);
}

// ---------------------------------------------------------------------------
// Classification

namespace {
bool IsMetafileSignature(const uchar* d, qsizetype n) {
  if (n >= 4 && LE32(d) == 0x9AC6CDD7) return true;                     // placeable WMF
  if (n >= 44 && LE32(d) == 1 && std::memcmp(d + 40, " EMF", 4) == 0) return true;  // EMF
  // A WMF without placeable header: type 1 or 2, header size 9 words,
  // version 0x100 or 0x300.
  if (n >= 18 && (LE16(d) == 1 || LE16(d) == 2) && LE16(d + 2) == 9 && (LE16(d + 4) == 0x100 || LE16(d + 4) == 0x300))
    return true;
  return false;
}

QByteArray PeekAll(TStream* Stream, Int64 From, Int64 MaxCount) {
  const Int64 position = Stream->Position();
  QByteArray bytes;
  try {
    Stream->SetPosition(From);
    const Int64 count = std::max<Int64>(0, std::min(MaxCount, Stream->Size() - From));
    bytes.resize(qsizetype(count));
    bytes.resize(qsizetype(Stream->Read(bytes.data(), count)));
  } catch (...) {
    Stream->SetPosition(position);
    throw;
  }
  Stream->SetPosition(position);
  return bytes;
}

constexpr int64_t MaxPicturePixels = int64_t(1) << 26;
// The drawing surfaces of the library take sides of up to 32767 pixels; an
// image with a longer side cannot be drawn or copied safely.
constexpr int MaxPictureSide = 32767;
}  // namespace

bool IsRasterData(TStream* Stream) {
  if (Stream == nullptr) return false;
  if (!TKitUtils::GetImageType(Stream, true).isEmpty()) return true;
  const QByteArray head = PeekAll(Stream, 0, 64);
  return IsMetafileSignature(reinterpret_cast<const uchar*>(head.constData()), head.size());
}

bool IsSVGFormData(TStream* Stream) {
  if (Stream == nullptr) return false;
  const Int64 start = Stream->Position();
  const Int64 rest = Stream->Size() - start;
  if (rest < 4) return false;
  const QByteArray head = PeekAll(Stream, start, 4 + 64);
  if (head.size() < 4) return false;
  const int64_t count = int32_t(LE32(reinterpret_cast<const uchar*>(head.constData())));
  if (count != rest - 4) return false;
  if (count == 0) return true;  // empty SVG data
  // The text must begin like an XML document: a byte-order mark, or "<"
  // after blanks.
  const QByteArray text = head.mid(4);
  if (text.startsWith("\xEF\xBB\xBF") || text.startsWith("\xFF\xFE") || text.startsWith("\xFE\xFF")) return true;
  for (const char c : text) {
    if (c == '<') return true;
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
  }
  return false;
}

bool DeclaredSizeAcceptable(const QByteArray& Bytes) {
  const auto* d = reinterpret_cast<const uchar*>(Bytes.constData());
  const qsizetype n = Bytes.size();
  int w = 0, h = 0;
  auto fits = [](int64_t width, int64_t height, int64_t frames = 1) {
    return width <= MaxPictureSide && height <= MaxPictureSide && width * height <= MaxPicturePixels &&
           width * height * frames <= MaxImagePixels;
  };
  static const uchar pngSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
  // A picture of a kind the headers tell must tell its size.
  if (n >= 8 && std::memcmp(d, pngSignature, 8) == 0) return PngSizeOf(d, n, w, h) && fits(w, h);
  if (n >= 2 && d[0] == 0xFF && d[1] == 0xD8) return !JpegScan(d, n, true, w, h) || fits(w, h);
  if (n >= 13 && d[0] == 'G' && d[1] == 'I' && d[2] == 'F') {
    // Every frame is decoded at the size of the logical screen, or of the
    // frame when that reaches beyond the screen.
    int frames = 0, largest = 0;
    GifWalk(d, n, w, h, &frames, 100000, &largest);
    const int64_t side = std::max<int64_t>({LE16(d + 6), LE16(d + 8), largest});
    return fits(std::max<int64_t>(LE16(d + 6), largest), std::max<int64_t>(LE16(d + 8), largest),
                std::max(frames, 1)) &&
           side <= MaxPictureSide;
  }
  if (n >= 2 && d[0] == 'B' && d[1] == 'M') return BmpSizeOf(d, n, w, h) && fits(w, h);
  if (n >= 4 && ((d[0] == 'I' && d[1] == 'I') || (d[0] == 'M' && d[1] == 'M'))) {
    uint64_t largest = 0;
    return TiffWalk(d, n, w, h, &largest) && w <= MaxPictureSide && h <= MaxPictureSide &&
           largest <= uint64_t(MaxPicturePixels);
  }
  return true;  // icons (256 x 256 at most) and metafiles (drawn at the size asked for)
}

// ---------------------------------------------------------------------------
// TPictureBytes

TPictureBytes::TPictureBytes() : FStream(std::make_unique<TMemoryStream>()) {}
TPictureBytes::~TPictureBytes() = default;

void TPictureBytes::Changed() {
  FImageWidth = 0;
  FImageHeight = 0;
  FTexture.reset();
  FImage.reset();
  FDecoded = false;
  ++FVersion;
}

QByteArray TPictureBytes::Bytes() const {
  const Int64 size = FStream->Size();
  if (size <= 0) return QByteArray();
  return QByteArray(static_cast<const char*>(FStream->Memory()), qsizetype(size));
}

void TPictureBytes::Clear() {
  FStream->Clear();
  Changed();
}

void TPictureBytes::LoadFromStream(TStream* Source) {
  const Int64 position = Source->Position();
  try {
    FStream->LoadFromStream(Source);
  } catch (...) {
    Source->SetPosition(position);
    Changed();
    throw;
  }
  Source->SetPosition(position);
  FStream->SetPosition(0);
  Changed();
}

void TPictureBytes::CopyFrom(TStream* Source, Int64 Count) {
  FStream->Clear();
  if (Count > 0) FStream->CopyFrom(Source, Count);
  FStream->SetPosition(0);
  Changed();
}

void TPictureBytes::SetBytes(const QByteArray& Bytes) {
  FStream->Clear();
  if (!Bytes.isEmpty()) FStream->WriteBuffer(Bytes.constData(), Bytes.size());
  FStream->SetPosition(0);
  Changed();
}

void TPictureBytes::Assign(const TPictureBytes& Other) {
  if (&Other == this) return;
  SetBytes(Other.Bytes());
}

void TPictureBytes::SaveToStream(TStream* Target) const {
  const Int64 size = FStream->Size();
  if (size > 0) Target->WriteBuffer(FStream->Memory(), size);
}

TGPImage* TPictureBytes::Image() {
  if (FDecoded) return FImage.get();
  if (!HasBytes()) return nullptr;
  QByteArray bytes;
  try {
    bytes = Bytes();
  } catch (const std::bad_alloc&) {
    throw Exception(QString::fromLatin1(SCouldNotAllocateImage));
  }
  FDecoded = true;
  ++FDecodeCount;
  if (!DeclaredSizeAcceptable(bytes)) return nullptr;
  auto image = std::make_unique<TGPImage>(bytes);
  if (image->GetLastStatus() != Ok) return nullptr;
  // What the headers did not tell (a metafile's frame, a later TIFF page)
  // is checked on the decoded image.
  int width = 0, height = 0;
  image->GetPixelSize(width, height);
  if (width > MaxPictureSide || height > MaxPictureSide || int64_t(width) * height > MaxPicturePixels) return nullptr;
  FImageWidth = width;
  FImageHeight = height;
  FImage = std::move(image);
  return FImage.get();
}

int TPictureBytes::ImageWidth() { return Image() ? FImageWidth : 0; }
int TPictureBytes::ImageHeight() { return Image() ? FImageHeight : 0; }

TGPBitmap* TPictureBytes::TextureImage() {
  if (FTexture) return FTexture.get();
  TGPImage* image = Image();
  if (image == nullptr) return nullptr;
  const int width = FImageWidth, height = FImageHeight;
  if (width <= 0 || height <= 0 || int64_t(width) * height > MaxPicturePixels) return nullptr;
  auto copy = std::make_unique<TGPBitmap>(width, height, PixelFormat32bppPARGB);
  if (copy->GetLastStatus() != Ok) return nullptr;
  {
    TGPGraphics graphics(copy.get());
    if (graphics.DrawImageRect(image, 0, 0, width, height) != Ok) return nullptr;
  }
  FTexture = std::move(copy);
  return FTexture.get();
}

QImage RenderImage(TGPImage* Image, int Width, int Height) {
  if (Image == nullptr || Width <= 0 || Height <= 0 || Width > MaxPictureSide || Height > MaxPictureSide ||
      int64_t(Width) * Height > MaxPicturePixels)
    return QImage();
  QImage result(Width, Height, QImage::Format_ARGB32_Premultiplied);
  if (result.isNull()) return QImage();
  result.fill(Qt::transparent);
  GpBitmap* target = nullptr;
  if (GDIP(GdipCreateBitmapFromScan0)(Width, Height, int(result.bytesPerLine()), PixelFormat32bppPARGB, result.bits(),
                                      &target) != Ok)
    return QImage();
  TGPBitmap bitmap(target);
  TGPGraphics graphics(&bitmap);
  if (graphics.DrawImageRect(Image, 0, 0, Width, Height) != Ok) return QImage();
  return result;
}

// ---------------------------------------------------------------------------
// TKitGDIPPicture

TF_PUBLISHED(TKitGDIPPicture, TKitSVGBitmap) {
  return TPublished<TKitGDIPPicture>().Event("OnClear", &TKitGDIPPicture::OnClear);
}

TKitGDIPPicture::TKitGDIPPicture() = default;
TKitGDIPPicture::~TKitGDIPPicture() = default;

namespace PictureDetail {
void Quietly(TGraphic* Graphic, const std::function<void()>& f) {
  TNotifyEvent saved = std::move(Graphic->OnChange);
  Graphic->OnChange = nullptr;
  try {
    f();
  } catch (...) {
    Graphic->OnChange = std::move(saved);
    throw;
  }
  Graphic->OnChange = std::move(saved);
}

void ClearSVG(TKitSVGBitmap* Picture) {
  Quietly(Picture, [&] {
    TMemoryStream empty;
    Picture->TKitSVGBitmap::LoadFromStream(&empty);
  });
}

QByteArray SavedBytesOf(TGraphic* Graphic) {
  if (Graphic == nullptr || Graphic->Empty()) return QByteArray();
  TMemoryStream stream;
  Graphic->SaveToStream(&stream);
  return QByteArray(static_cast<const char*>(stream.Memory()), qsizetype(stream.Size()));
}

QByteArray Peek(TStream* Stream, Int64 From, Int64 MaxCount) { return PeekAll(Stream, From, MaxCount); }

bool IsRasterFormData(TStream* Stream) {
  if (Stream == nullptr || IsSVGFormData(Stream)) return false;
  TBytesStream probe(PeekAll(Stream, Stream->Position(), 64));
  return IsRasterData(&probe);
}

void DrawSVGOnGraphics(TKitSVGBitmap* Picture, TGPGraphics* Graphics, float X, float Y, float W, float H) {
  if (Picture == nullptr || Graphics == nullptr || !Picture->HasSVG()) return;
  HDC dc = Graphics->GetHDC();
  if (dc == nullptr) return;
  try {
    TCanvas canvas;
    canvas.SetHandle(dc);
    Picture->SVG()->Draw(&canvas, TRectF(X, Y, X + W, Y + H), true);
    canvas.SetHandle(nullptr);
  } catch (...) {
    Graphics->ReleaseHDC(dc);
    throw;
  }
  Graphics->ReleaseHDC(dc);
}
}  // namespace PictureDetail

using namespace PictureDetail;

bool TKitGDIPPicture::Empty() const { return HasSVG() ? TKitSVGBitmap::Empty() : FIsEmpty; }
int TKitGDIPPicture::Width() const { return HasSVG() ? TKitSVGBitmap::Width() : FWidth; }
int TKitGDIPPicture::Height() const { return HasSVG() ? TKitSVGBitmap::Height() : FHeight; }

void TKitGDIPPicture::Assign(TPersistent* Source) {
  FIsEmpty = true;
  if (Source == nullptr) {
    FDatastream.Clear();
    Changed(this);
    if (OnClear) OnClear(this);
    return;
  }
  if (auto* picture = dynamic_cast<TKitGDIPPicture*>(Source)) {
    if (picture != this) {
      if (picture->HasSVG()) {
        Quietly(this, [&] { TKitSVGBitmap::Assign(picture); });
        FDatastream.Clear();
      } else {
        FDatastream.Assign(picture->FDatastream);
        FIsEmpty = !FDatastream.HasBytes();
        if (!FIsEmpty) ClearSVG(this);
      }
    } else {
      FIsEmpty = !FDatastream.HasBytes() && !HasSVG();
    }
    Changed(this);
  } else if (auto* pic = dynamic_cast<TPicture*>(Source)) {
    FDatastream.SetBytes(SavedBytesOf(pic->Graphic()));
    FIsEmpty = false;
    ClearSVG(this);
    Changed(this);
  } else if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
    FDatastream.SetBytes(SavedBytesOf(graphic));
    FIsEmpty = false;
    ClearSVG(this);
    Changed(this);
  }
  GetImageSizes();
}

void TKitGDIPPicture::LoadFromFile(const QString& FileName) {
  try {
    FIsEmpty = true;
    {
      TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
      FDatastream.LoadFromStream(&file);
    }
    if (IsRasterData(FDatastream.Stream())) {
      ClearSVG(this);
    } else {
      FDatastream.Clear();
      Quietly(this, [&] { TKitSVGBitmap::LoadFromFile(FileName); });
    }
    FIsEmpty = false;
    if (OnClear) OnClear(this);
    GetImageSizesFromFileName(FileName);
    Changed(this);
  } catch (const Exception&) {
    FIsEmpty = true;
  } catch (const std::bad_alloc&) {
    FIsEmpty = true;
  }
}

void TKitGDIPPicture::LoadFromStream(TStream* Stream) {
  if (Stream == nullptr || Stream->Size() == 0) return;
  if (IsRasterData(Stream)) {
    ClearSVG(this);
    FDatastream.LoadFromStream(Stream);
  } else {
    FDatastream.Clear();
    Quietly(this, [&] { TKitSVGBitmap::LoadFromStream(Stream); });
  }
  FIsEmpty = false;
  GetImageSizes();
  Changed(this);
}

void TKitGDIPPicture::SaveToStream(TStream* Stream) {
  if (Stream == nullptr) return;
  if (HasSVG()) {
    TKitSVGBitmap::SaveToStream(Stream);
    return;
  }
  FDatastream.SaveToStream(Stream);
}

void TKitGDIPPicture::ReadData(TStream* Stream) {
  if (Stream == nullptr) return;
  if (IsRasterFormData(Stream)) {
    const Int64 rest = Stream->Size() - Stream->Position();
    if (rest > 0) {
      ClearSVG(this);
      FDatastream.CopyFrom(Stream, rest);
      FIsEmpty = false;
      GetImageSizes();
    }
    return;
  }
  FDatastream.Clear();
  Quietly(this, [&] { TKitSVGBitmap::ReadData(Stream); });
}

void TKitGDIPPicture::WriteData(TStream* Stream) {
  if (HasSVG()) {
    TKitSVGBitmap::WriteData(Stream);
    return;
  }
  FDatastream.SaveToStream(Stream);
}

void TKitGDIPPicture::LoadFromResourceName(NativeInt Instance, const QString& ResName) {
  std::unique_ptr<TResourceStream> stream = TKitUtils::GetResourceStream(ResName, Instance);
  if (stream) LoadFromStream(stream.get());
}

void TKitGDIPPicture::LoadFromResourceID(NativeInt Instance, int ResID) {
  TResourceStream stream(Instance, QString::number(ResID));
  LoadFromStream(&stream);
}

void TKitGDIPPicture::LoadFromURL(const QString& url) {
  const QString upper = url.toUpper();
  if (upper.startsWith(QLatin1String("RES://"))) {
    const QString rest = url.mid(6);
    if (!rest.isEmpty()) LoadFromResourceName(TKitUtils::GetHInstance(), rest);
  } else if (upper.startsWith(QLatin1String("FILE://"))) {
    const QString rest = url.mid(7);
    if (!rest.isEmpty()) LoadFromFile(rest);
  }
}

bool TKitGDIPPicture::Equals(TGraphic* Graphic) {
  auto* other = dynamic_cast<TKitGDIPPicture*>(Graphic);
  if (other == nullptr) return false;
  if (HasSVG() || other->HasSVG()) return HasSVG() && other->HasSVG() && TKitSVGBitmap::Equals(other);
  return FDatastream.Bytes() == other->FDatastream.Bytes();
}

QImage TKitGDIPPicture::ToImage() {
  if (HasSVG()) return TKitSVGBitmap::ToImage();
  if (FIsEmpty || !FDatastream.HasBytes()) return QImage();
  TGPImage* image = FDatastream.Image();
  if (image == nullptr) return QImage();
  return RenderImage(image, FDatastream.ImageWidth(), FDatastream.ImageHeight());
}

void TKitGDIPPicture::DrawSVG(TGPGraphics* Graphics, float X, float Y, float W, float H) {
  DrawSVGOnGraphics(this, Graphics, X, Y, W, H);
}

bool TKitGDIPPicture::GetImageSizes() {
  if (HasSVG()) return true;
  if (FIsEmpty || !FDatastream.HasBytes()) return false;
  FDatastream.Image();  // decodes once; the sizes come from the decoded picture
  FWidth = FDatastream.ImageWidth();
  FHeight = FDatastream.ImageHeight();
  return true;
}

bool TKitGDIPPicture::GetImageSizesFromFileName(const QString& FileName) {
  if (HasSVG()) return true;
  if (FIsEmpty || !FDatastream.HasBytes()) return false;
  const QString ext = QFileInfo(FileName).suffix().toUpper();
  int w = 0, h = 0;
  if (ext == QLatin1String("JPG") || ext == QLatin1String("JPEG"))
    GetJpegSize(FileName, w, h);
  else if (ext == QLatin1String("PNG"))
    GetPngSize(FileName, w, h);
  else if (ext == QLatin1String("BMP"))
    GetBmpSize(FileName, w, h);
  else if (ext == QLatin1String("TIFF") || ext == QLatin1String("TIF"))
    GetTiffSize(FileName, w, h);
  else if (ext == QLatin1String("GIF"))
    GetGifSize(FileName, w, h);
  FWidth = w;
  FHeight = h;
  return false;
}

void TKitGDIPPicture::TakeImageInfo(TGPImage* Image) {
  FHasAlpha = Image->HasAlphaChannel();
  FHasPalette = Image->HasPalette();
  FPixelDepth = Image->GetPixelDepth();
  FPixelFormat = Image->GetPixelFormat();
  FWidth = FDatastream.ImageWidth();
  FHeight = FDatastream.ImageHeight();
}

void TKitGDIPPicture::DrawInto(TGPGraphics* Graphics, const TGPRectF& R, bool IntegerRect) {
  if (HasSVG()) {
    DrawSVG(Graphics, R.X, R.Y, R.Width, R.Height);
    return;
  }
  if (FIsEmpty || !FDatastream.HasBytes()) return;
  TGPImage* image = FDatastream.Image();
  if (image == nullptr) {
    FWidth = 0;
    FHeight = 0;
    return;
  }
  TakeImageInfo(image);
  if (image->GetFormat() == ifBMP && Transparent()) {
    ARGB key = 0;
    if (FBitmapTransparentMode == tmFixed) {
      key = ColorToArgbWithAlpha(255, FBitmapTransparentColor);
    } else {
      // The bottom-left pixel of the image.
      ARGB pixel = 0;
      GDIP(GdipBitmapGetPixel)(TNative::Get(image), 0, FHeight - 1, &pixel);
      key = pixel;
    }
    TGPImageAttributes attributes;
    attributes.SetColorKey(key, key);
    Graphics->DrawImage(image, R, 0, 0, REAL(FWidth), REAL(FHeight), UnitPixel, &attributes);
    return;
  }
  if (IntegerRect)
    Graphics->DrawImageRect(image, int(R.X), int(R.Y), int(R.Width), int(R.Height));
  else
    Graphics->DrawImageRect(image, R);
}

void TKitGDIPPicture::GDIPDraw(TGPGraphics* Graphics, const TRect& R) {
  if (Graphics == nullptr) return;
  DrawInto(Graphics, TGPRectF{REAL(R.Left), REAL(R.Top), REAL(R.Width()), REAL(R.Height())}, true);
}

void TKitGDIPPicture::GDIPDraw(TGPGraphics* Graphics, const TGPRectF& R) {
  if (Graphics == nullptr || FDrawing) return;
  FDrawing = true;
  try {
    DrawInto(Graphics, R, false);
  } catch (...) {
    FDrawing = false;
    throw;
  }
  FDrawing = false;
}

void TKitGDIPPicture::FillRect(TGPGraphics* Graphics, const TGPRectF& R) {
  if (Graphics == nullptr || FIsEmpty || !FDatastream.HasBytes()) return;
  TGPImage* image = FDatastream.TextureImage();
  if (image == nullptr) return;
  TGPTextureBrush brush(image, WrapModeTile);
  Graphics->FillRectangle(&brush, R);
}

void TKitGDIPPicture::FillPath(TGPGraphics* Graphics, TGPGraphicsPath* Path) {
  if (Graphics == nullptr || Path == nullptr || FIsEmpty || !FDatastream.HasBytes()) return;
  TGPImage* image = FDatastream.TextureImage();
  if (image == nullptr) return;
  TGPTextureBrush brush(image, WrapModeTile);
  Graphics->FillPath(&brush, Path);
}

void TKitGDIPPicture::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (HasSVG()) {
    TKitSVGBitmap::Draw(ACanvas, Rect);
    return;
  }
  if (FIsEmpty || !FDatastream.HasBytes() || ACanvas == nullptr) return;
  TGPImage* image = FDatastream.Image();
  if (image == nullptr) return;
  if (image->GetFormat() == ifBMP) {
    TBitmap bitmap;
    try {
      FDatastream.Stream()->SetPosition(0);
      bitmap.LoadFromStream(FDatastream.Stream());
      FDatastream.Stream()->SetPosition(0);
      bitmap.SetTransparent(true);
      bitmap.SetTransparentMode(tmAuto);
      ACanvas->Draw(Rect.Left, Rect.Top, &bitmap);
      return;
    } catch (const Exception&) {
      // A bitmap the framework cannot read is drawn by GDI+ in its own size.
      FDatastream.Stream()->SetPosition(0);
      TGPGraphics graphics(ACanvas->Handle());
      graphics.DrawImageRect(image, Rect.Left, Rect.Top, FDatastream.ImageWidth(), FDatastream.ImageHeight());
      return;
    }
  }
  FWidth = FDatastream.ImageWidth();
  FHeight = FDatastream.ImageHeight();
  TGPGraphics graphics(ACanvas->Handle());
  graphics.DrawImageRect(image, Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
}

}  // namespace KitGDIP
