// TWICImage and TMetafile: pictures decoded by an external decoder.

#include "platform/vcl/ImagingGraphics.h"

#include <atomic>
#include <cstring>

#include "platform/vcl/GraphicsConsts.h"

using namespace vclgraphics;

namespace {
std::atomic<TExternalImageDecoder> decoder{nullptr};

uint32_t LE16(const QByteArray& b, int at) {
  return uint32_t(uchar(b[at])) | (uint32_t(uchar(b[at + 1])) << 8);
}
uint32_t LE32(const QByteArray& b, int at) { return LE16(b, at) | (LE16(b, at + 2) << 16); }

bool IsTiff(const QByteArray& b) {
  return b.size() >= 4 && ((b.startsWith("II") && LE16(b, 2) == 42) ||
                           (b.startsWith("MM") && uchar(b[2]) == 0 && uchar(b[3]) == 42));
}

bool IsEnhancedMetafile(const QByteArray& b) { return b.size() >= 44 && LE32(b, 0) == 1 && b.mid(40, 4) == " EMF"; }

bool IsMetafile(const QByteArray& b) {
  if (b.size() >= 4 && LE32(b, 0) == 0x9AC6CDD7) return true;
  if (IsEnhancedMetafile(b)) return true;
  return b.size() >= 18 && (LE16(b, 0) == 1 || LE16(b, 0) == 2) && LE16(b, 2) == 9 &&
         (LE16(b, 4) == 0x100 || LE16(b, 4) == 0x300);
}

// Decodes bytes with the installed decoder; a null image when there is
// none or they do not decode.
QImage Decode(const QByteArray& bytes) {
  TExternalImageDecoder decode = decoder.load();
  if (!decode) return QImage();
  QImage image = decode(bytes);
  if (image.isNull()) return image;
  CheckImageSize(image.width(), image.height());
  return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Loads a graphic kept in a TDecodedPicture: all bytes from the stream's
// position, checked and decoded; the graphic is empty after a failure.
template <class Check>
void LoadDecoded(TDecodedPicture& picture, TStream* Stream, Check isKind, const char* message) {
  try {
    const QByteArray bytes = ReadToEnd(Stream);
    if (!isKind(bytes)) InvalidGraphic(message);
    const QImage image = Decode(bytes);
    if (image.isNull()) InvalidGraphic(message);
    picture.SetImage(image, bytes);
  } catch (...) {
    picture.Clear();
    throw;
  }
}
}  // namespace

TExternalImageDecoder SetExternalImageDecoder(TExternalImageDecoder Decoder) { return decoder.exchange(Decoder); }
TExternalImageDecoder ExternalImageDecoder() { return decoder.load(); }

// ---------------------------------------------------------------------------
// TWICImage

TF_PUBLISHED(TWICImage, TGraphic) { return TPublished<TWICImage>(); }

TWICImage::~TWICImage() = default;

void TWICImage::Assign(TPersistent* Source) {
  auto* same = dynamic_cast<TWICImage*>(Source);
  switch (FPicture.AssignFrom(Source, same ? &same->FPicture : nullptr)) {
    case TDecodedPicture::TAssignResult::Changed: Changed(this); break;
    case TDecodedPicture::TAssignResult::Unchanged: break;
    case TDecodedPicture::TAssignResult::Unhandled: TGraphic::Assign(Source); break;
  }
}

void TWICImage::SetSize(int AWidth, int AHeight) {
  if (FPicture.SetSize(AWidth, AHeight)) Changed(this);
}

bool TWICImage::CanLoadFromStream(TStream* Stream) { return IsTiff(PeekBytes(Stream, 4)); }

void TWICImage::LoadFromStream(TStream* Stream) {
  try {
    LoadDecoded(FPicture, Stream, IsTiff, GraphicsConsts::SInvalidImage);
  } catch (...) {
    Changed(this);
    throw;
  }
  Changed(this);
}

void TWICImage::SaveToStream(TStream* Stream) {
  if (Empty()) return;
  if (FPicture.Data.isEmpty()) throw EInvalidGraphicOperation(QString::fromLatin1(GraphicsConsts::SCannotSaveDecoded));
  WriteBytes(Stream, FPicture.Data);
}

void TWICImage::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (TBitmap* bitmap = FPicture.DrawBitmap()) DrawGraphic(bitmap, ACanvas, Rect);
}

void TWICImage::DrawTransparent(TCanvas* ACanvas, const TRect& Rect, Byte Opacity) {
  if (TBitmap* bitmap = FPicture.DrawBitmap()) DrawGraphicTransparent(bitmap, ACanvas, Rect, Opacity);
}

// ---------------------------------------------------------------------------
// TMetafile

TF_PUBLISHED(TMetafile, TGraphic) { return TPublished<TMetafile>(); }

TMetafile::~TMetafile() = default;

void TMetafile::Assign(TPersistent* Source) {
  auto* same = dynamic_cast<TMetafile*>(Source);
  if (same) FEnhanced = same->FEnhanced;
  switch (FPicture.AssignFrom(Source, same ? &same->FPicture : nullptr)) {
    case TDecodedPicture::TAssignResult::Changed: Changed(this); break;
    case TDecodedPicture::TAssignResult::Unchanged: break;
    case TDecodedPicture::TAssignResult::Unhandled: TGraphic::Assign(Source); break;
  }
}

void TMetafile::SetSize(int AWidth, int AHeight) {
  if (FPicture.SetSize(AWidth, AHeight)) Changed(this);
}

bool TMetafile::CanLoadFromStream(TStream* Stream) { return IsMetafile(PeekBytes(Stream, 64)); }

void TMetafile::LoadFromStream(TStream* Stream) {
  try {
    const QByteArray head = PeekBytes(Stream, 64);
    LoadDecoded(FPicture, Stream, IsMetafile, GraphicsConsts::SInvalidMetafile);
    FEnhanced = IsEnhancedMetafile(head);
  } catch (...) {
    FEnhanced = false;
    Changed(this);
    throw;
  }
  Changed(this);
}

void TMetafile::SaveToStream(TStream* Stream) {
  if (Empty()) return;
  if (FPicture.Data.isEmpty()) throw EInvalidGraphicOperation(QString::fromLatin1(GraphicsConsts::SCannotSaveDecoded));
  WriteBytes(Stream, FPicture.Data);
}

void TMetafile::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (TBitmap* bitmap = FPicture.DrawBitmap()) DrawGraphicTransparent(bitmap, ACanvas, Rect, 255);
}

void TMetafile::DrawTransparent(TCanvas* ACanvas, const TRect& Rect, Byte Opacity) {
  if (TBitmap* bitmap = FPicture.DrawBitmap()) DrawGraphicTransparent(bitmap, ACanvas, Rect, Opacity);
}
