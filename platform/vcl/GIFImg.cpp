// TGIFImage: GIF through Qt's GIF reader.

#include "platform/vcl/GIFImg.h"

#include "platform/vcl/GraphicsConsts.h"

using namespace vclgraphics;

namespace {

// The length of the GIF file at the start of Bytes (up to and with its
// trailer), or -1 when its blocks are malformed or run past the end.
qsizetype GifLength(const QByteArray& Bytes) {
  const auto* p = reinterpret_cast<const uchar*>(Bytes.constData());
  const qsizetype size = Bytes.size();
  if (size < 13) return -1;
  qsizetype pos = 13;
  if (p[10] & 0x80) pos += 3 * (qsizetype(1) << ((p[10] & 0x07) + 1));  // global colour table
  auto skipSubBlocks = [&](qsizetype& at) {
    for (;;) {
      if (at >= size) return false;
      const int length = p[at++];
      if (length == 0) return true;
      at += length;
    }
  };
  while (pos < size) {
    const uchar block = p[pos++];
    if (block == 0x3B) return pos;  // trailer
    if (block == 0x21) {            // extension: label and sub-blocks
      if (pos >= size) return -1;
      ++pos;
      if (!skipSubBlocks(pos)) return -1;
    } else if (block == 0x2C) {  // image: descriptor, local colour table, code size, data
      if (pos + 9 > size) return -1;
      const uchar flags = p[pos + 8];
      pos += 9;
      if (flags & 0x80) pos += 3 * (qsizetype(1) << ((flags & 0x07) + 1));
      if (pos >= size) return -1;
      ++pos;  // minimum code size
      if (!skipSubBlocks(pos)) return -1;
    } else {
      return -1;
    }
  }
  return -1;
}

bool IsGifSignature(const QByteArray& b) { return b == "GIF87a" || b == "GIF89a"; }

}  // namespace

TF_PUBLISHED(TGIFImage, TGraphic) { return TPublished<TGIFImage>(); }

TGIFImage::~TGIFImage() = default;

void TGIFImage::Assign(TPersistent* Source) {
  auto* same = dynamic_cast<TGIFImage*>(Source);
  switch (FPicture.AssignFrom(Source, same ? &same->FPicture : nullptr)) {
    case TDecodedPicture::TAssignResult::Changed: Changed(this); break;
    case TDecodedPicture::TAssignResult::Unchanged: break;
    case TDecodedPicture::TAssignResult::Unhandled: TGraphic::Assign(Source); break;
  }
}

void TGIFImage::SetSize(int AWidth, int AHeight) {
  if (FPicture.SetSize(AWidth, AHeight)) Changed(this);
}

bool TGIFImage::CanLoadFromStream(TStream* Stream) { return IsGifSignature(PeekBytes(Stream, 6)); }

void TGIFImage::LoadFromStream(TStream* Stream) {
  const Int64 start = Stream->Position();
  try {
    const QByteArray bytes = ReadToEnd(Stream);
    if (!IsGifSignature(bytes.left(6))) InvalidGraphic(GraphicsConsts::SInvalidGif);
    const qsizetype length = GifLength(bytes);
    if (length < 0) InvalidGraphic(GraphicsConsts::SInvalidGif);
    const QByteArray file = bytes.left(length);
    const QImage image = DecodeWithQt(file, "gif");
    if (image.isNull()) InvalidGraphic(GraphicsConsts::SInvalidGif);
    FPicture.SetImage(image, file);
    Stream->SetPosition(start + length);
  } catch (...) {
    FPicture.Clear();
    Changed(this);
    throw;
  }
  Changed(this);
}

void TGIFImage::SaveToStream(TStream* Stream) {
  if (Empty()) return;
  if (FPicture.Data.isEmpty()) throw EInvalidGraphicOperation(QString::fromLatin1(GraphicsConsts::SGifCannotSave));
  WriteBytes(Stream, FPicture.Data);
}

void TGIFImage::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (TBitmap* bitmap = FPicture.DrawBitmap()) DrawGraphic(bitmap, ACanvas, Rect);
}

void TGIFImage::DrawTransparent(TCanvas* ACanvas, const TRect& Rect, Byte Opacity) {
  if (TBitmap* bitmap = FPicture.DrawBitmap()) DrawGraphicTransparent(bitmap, ACanvas, Rect, Opacity);
}
