// TPngImage: PNG through Qt's PNG reader and writer.

#include "platform/vcl/PngImage.h"

#include <QBuffer>
#include <QImageWriter>

#include "platform/vcl/GraphicsConsts.h"

using namespace vclgraphics;

namespace {
const char kPngSignature[] = "\x89PNG\r\n\x1a\n";

uint32_t BigEndian32(const uchar* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
}  // namespace

namespace vclgraphics {

qsizetype PngLength(const QByteArray& Bytes) {
  const auto* p = reinterpret_cast<const uchar*>(Bytes.constData());
  qsizetype pos = 8;
  while (pos + 12 <= Bytes.size()) {
    const uint32_t length = BigEndian32(p + pos);
    if (length > 0x7FFFFFFFu) return -1;
    const qsizetype end = pos + 12 + qsizetype(length);
    if (end > Bytes.size()) return -1;
    if (std::memcmp(p + pos + 4, "IEND", 4) == 0) return end;
    pos = end;
  }
  return -1;
}

}  // namespace vclgraphics

TF_PUBLISHED(TPngImage, TGraphic) { return TPublished<TPngImage>(); }

TPngImage::~TPngImage() = default;

void TPngImage::Assign(TPersistent* Source) {
  auto* same = dynamic_cast<TPngImage*>(Source);
  switch (FPicture.AssignFrom(Source, same ? &same->FPicture : nullptr)) {
    case TDecodedPicture::TAssignResult::Changed: Changed(this); break;
    case TDecodedPicture::TAssignResult::Unchanged: break;
    case TDecodedPicture::TAssignResult::Unhandled: TGraphic::Assign(Source); break;
  }
}

void TPngImage::SetSize(int AWidth, int AHeight) {
  if (FPicture.SetSize(AWidth, AHeight)) Changed(this);
}

bool TPngImage::CanLoadFromStream(TStream* Stream) { return PeekBytes(Stream, 8) == QByteArray(kPngSignature, 8); }

void TPngImage::LoadFromStream(TStream* Stream) {
  const Int64 start = Stream->Position();
  try {
    const QByteArray bytes = ReadToEnd(Stream);
    if (!bytes.startsWith(QByteArray(kPngSignature, 8))) InvalidGraphic(GraphicsConsts::SInvalidPng);
    const qsizetype length = PngLength(bytes);
    if (length < 0) InvalidGraphic(GraphicsConsts::SInvalidPng);
    const QByteArray file = bytes.left(length);
    const QImage image = DecodeWithQt(file, "png");
    if (image.isNull()) InvalidGraphic(GraphicsConsts::SInvalidPng);
    FPicture.SetImage(image, file);
    Stream->SetPosition(start + length);
  } catch (...) {
    FPicture.Clear();
    Changed(this);
    throw;
  }
  Changed(this);
}

void TPngImage::SaveToStream(TStream* Stream) {
  if (Empty()) return;
  if (FPicture.Data.isEmpty()) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    const QImage image = FPicture.HasAlpha ? FPicture.Image.convertToFormat(QImage::Format_ARGB32)
                                           : FPicture.Image.convertToFormat(QImage::Format_RGB32);
    if (!writer.write(image)) throw EInvalidGraphicOperation(writer.errorString());
    FPicture.Data = buffer.data();
  }
  WriteBytes(Stream, FPicture.Data);
}

void TPngImage::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (TBitmap* bitmap = FPicture.DrawBitmap()) DrawGraphic(bitmap, ACanvas, Rect);
}

void TPngImage::DrawTransparent(TCanvas* ACanvas, const TRect& Rect, Byte Opacity) {
  if (TBitmap* bitmap = FPicture.DrawBitmap()) DrawGraphicTransparent(bitmap, ACanvas, Rect, Opacity);
}
