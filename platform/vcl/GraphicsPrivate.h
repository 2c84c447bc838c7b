#pragma once
// Helpers shared by the graphic classes' implementation files. Not for use
// outside platform/vcl.

#include <QByteArray>
#include <QImage>
#include <memory>
#include <vector>

#include "platform/rtl/Streams.h"
#include "platform/vcl/Graphics.h"

namespace vclgraphics {

// Up to Count bytes from the stream's position; the position is kept.
QByteArray PeekBytes(TStream* Stream, int Count);
// Everything from the stream's position to its end.
QByteArray ReadToEnd(TStream* Stream);
void WriteBytes(TStream* Stream, const QByteArray& Bytes);

// Raises EInvalidGraphic with the message.
[[noreturn]] void InvalidGraphic(const QString& Message);
[[noreturn]] void InvalidGraphic(const char* Message);

// True when some pixel of an ARGB32(-premultiplied) image is not opaque.
bool HasAlpha(const QImage& Image);

// The pixels of a decoded picture with the bytes they came from (empty
// once the pixels changed) and a bitmap made from them for drawing.
struct TDecodedPicture {
  QImage Image;  // ARGB32 premultiplied; null when empty
  QByteArray Data;
  bool HasAlpha = false;
  std::unique_ptr<TBitmap> Bitmap;

  void Clear();
  void SetImage(const QImage& Value, const QByteArray& Bytes = QByteArray());
  // Keeps the overlapping area; the new area is transparent.
  void Resize(int AWidth, int AHeight);
  TBitmap* DrawBitmap();

  // The Assign and SetSize of a graphic class kept in a TDecodedPicture:
  // from nothing (empty), from another picture of the same class (pixels and
  // bytes; SameClass is its picture, null when Source is of another class) or
  // from any graphic (its pixels). Unhandled sources go to TGraphic::Assign.
  enum class TAssignResult { Unhandled, Unchanged, Changed };
  TAssignResult AssignFrom(TPersistent* Source, const TDecodedPicture* SameClass);
  // Sizes below 0 count as 0; returns whether the size changed.
  bool SetSize(int AWidth, int AHeight);
};

// Decodes bytes with one of Qt's image readers ("png", "gif"...): the first
// image as ARGB32 premultiplied, or a null image when the bytes do not
// decode completely or declare or decode to a size beyond the limits.
QImage DecodeWithQt(const QByteArray& Bytes, const char* Format);

// The length of the PNG file at the start of Bytes (up to the end of its
// IEND chunk), or -1 when its chunks run past the end of the bytes. PNG
// files and the PNG images of icons are checked with it before they are
// decoded, so that no chunk claims more than the bytes hold.
qsizetype PngLength(const QByteArray& Bytes);

// Pixel rows in a pixel format's own layout: top-down, each row padded to
// 4 bytes; a palette for 1, 4 and 8 bits (pf15bit is 5-5-5, pf16bit 5-6-5,
// pf24bit B, G, R).
int FormatBitCount(TPixelFormat Format);
int FormatStride(TPixelFormat Format, int Width);
// The palette a bitmap of the format starts with (empty above 8 bits).
std::vector<RGBQUAD> DefaultPalette(TPixelFormat Format);
// Rows -> opaque 32-bit pixels (B, G, R, 255), and back (colours mapped to
// the nearest palette entry, or cut to the format's bits).
void RowsToPixels32(TPixelFormat Format, const uint8_t* Rows, int Stride, const std::vector<RGBQUAD>& Colors,
                    int Width, int Height, uint8_t* Pixels32);
void Pixels32ToRows(TPixelFormat Format, const uint8_t* Pixels32, int Width, int Height,
                    const std::vector<RGBQUAD>& Colors, uint8_t* Rows, int Stride);

// A DIB as found in BMP files and icons. Data holds the info header (or
// core header), bit masks, colour table and, from PixelOffset (relative to
// Data; -1: right after the colour table), the pixels. For icons the
// header's height counts the XOR and the AND bitmap, and the AND mask
// follows the colour pixels. Anything malformed, truncated or too large
// raises EInvalidGraphic (with ErrorMessage, or the size message).
struct TDecodedDib {
  int Width = 0;
  int Height = 0;
  TPixelFormat Format = pf24bit;  // pf1bit ... pf32bit
  // Every format but pf32bit: the rows in the format's layout.
  std::vector<uint8_t> Rows;
  std::vector<RGBQUAD> Colors;  // 2^bits entries for 1, 4 and 8 bits
  // pf32bit: B, G, R, A as stored (straight alpha).
  std::vector<uint8_t> Pixels32;
  bool AlphaUsed = false;  // pf32bit: some alpha value is not 0
  // Icons: the AND mask, 1 bit per pixel, rows top-down padded to 4 bytes.
  std::vector<uint8_t> Mask;
  int MaskStride = 0;
};
TDecodedDib DecodeDib(const QByteArray& Data, qsizetype PixelOffset, bool Icon, const char* ErrorMessage);

}  // namespace vclgraphics
