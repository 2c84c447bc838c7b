#pragma once
// Pictures over the static GDI+ binding: the image-header size sniffers,
// the raster bytes every GDI+ picture keeps (with their decoded image), and
// the picture class TKitGDIPPicture of the gradient fill.
//
// A picture holds SVG content (kept and parsed by TKitSVGBitmap, drawn by
// the SVG engine when one is announced) or raster bytes: BMP, GIF, JPEG,
// PNG, TIFF, icon, WMF or EMF, whatever GDI+ decodes. The raster bytes are
// kept as they were loaded. They are decoded once after every change and
// the decoded image serves every draw and size query until the bytes change
// again. Bytes that do not decode draw nothing and give a size of 0 x 0;
// the only error a draw or size query raises is Exception "Could not
// allocate memory for image".
//
// Telling raster bytes from SVG: raster bytes carry one of the picture
// signatures of TKitUtils.GetImageType or a metafile signature (placeable
// WMF, WMF header, EMF header); anything else is SVG. The form data of a
// picture ("Data" property) is the raw raster bytes, or the SVG form data: a
// 4-byte little-endian count followed by exactly that many bytes of SVG
// text; a stream is read as SVG form data only when its count matches the
// rest of the data and the text begins like an XML document, so an SVG
// whose count happens to spell a raster signature is still read as SVG.
//
// Header sniffers (GetImageSizesFromFileName): each reads only the file's
// header, never decodes it, and reports 0 x 0 when the file cannot be read
// or its signature does not match. JPEG: the first SOF0, SOF1 or SOF2 frame
// header (a later frame kind reports 0 x 0); a segment length below 2 ends
// the scan. PNG: the IHDR chunk's 32-bit width and height. GIF: the first
// image descriptor, found by walking the blocks (extension sub-blocks are
// skipped, so a 0x2C inside them is not taken for a descriptor). BMP: the
// 32-bit width and the magnitude of the height (bottom-up and top-down
// bitmaps alike), or the 16-bit sizes of an OS/2 core header. TIFF: tags
// 256 and 257 of the first directory, in the byte order the header names
// ("II" little-endian, "MM" big-endian), as SHORT or LONG values.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <functional>
#include <memory>

#include "foundation/KitTypes.h"
#include "gdiplus/KitGDIP.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Graphics.h"

namespace KitGDIP {

// ---------------------------------------------------------------------------
// Header sniffers

// Width and height from the header of a file, 0 x 0 when it cannot be read
// or is not of that kind.
void GetJpegSize(const QString& FileName, int& Width, int& Height);
void GetPngSize(const QString& FileName, int& Width, int& Height);
void GetGifSize(const QString& FileName, int& Width, int& Height);
void GetBmpSize(const QString& FileName, int& Width, int& Height);
void GetTiffSize(const QString& FileName, int& Width, int& Height);

// The same on bytes in memory; false (and 0 x 0) when they are not of that
// kind or end before the size.
bool JpegSizeOf(const uchar* Data, qsizetype Size, int& Width, int& Height);
bool PngSizeOf(const uchar* Data, qsizetype Size, int& Width, int& Height);
bool GifSizeOf(const uchar* Data, qsizetype Size, int& Width, int& Height);
bool BmpSizeOf(const uchar* Data, qsizetype Size, int& Width, int& Height);
bool TiffSizeOf(const uchar* Data, qsizetype Size, int& Width, int& Height);

// True when the bytes from the stream's start are raster bytes (see the top
// of this file); the position is kept.
bool IsRasterData(TStream* Stream);
// True when the stream, from its position, holds SVG form data (count, then
// exactly that many bytes of XML text); the position is kept.
bool IsSVGFormData(TStream* Stream);

// The largest image the pictures decode: sides up to 32767 pixels (the
// limit of the library's drawing surfaces), 2^26 pixels in all, and for
// animations 2^28 pixels over all frames. Bytes declaring a larger image
// (in the headers the sniffers read) are not handed to the decoder, and a
// decoded image beyond the limits is dropped.
bool DeclaredSizeAcceptable(const QByteArray& Bytes);


// ---------------------------------------------------------------------------
// Raster bytes

// The raster bytes of a picture and the image decoded from them. The image
// is made on first use after the bytes changed; every change of the bytes
// goes through this class.
class TPictureBytes {
 public:
  TPictureBytes();
  ~TPictureBytes();
  TPictureBytes(const TPictureBytes&) = delete;
  TPictureBytes& operator=(const TPictureBytes&) = delete;

  // The bytes (read them; change them only through the operations below).
  TMemoryStream* Stream() const { return FStream.get(); }
  Int64 Size() const { return FStream->Size(); }
  bool HasBytes() const { return FStream->Size() > 0; }
  QByteArray Bytes() const;

  void Clear();
  // The whole of Source, read from its start; the position of Source is
  // kept.
  void LoadFromStream(TStream* Source);
  // Count bytes of Source from its position.
  void CopyFrom(TStream* Source, Int64 Count);
  void SetBytes(const QByteArray& Bytes);
  void Assign(const TPictureBytes& Other);
  // Writes the bytes to Target.
  void SaveToStream(TStream* Target) const;

  // The decoded image; null when there are no bytes or they do not decode.
  // Raises Exception "Could not allocate memory for image" when the memory
  // for the hand-over cannot be had.
  TGPImage* Image();
  // The decoded image's size in pixels (metafiles at their header's size
  // and resolution); 0 x 0 without an image.
  int ImageWidth();
  int ImageHeight();
  // A plain premultiplied copy of the decoded image at its own size, made
  // on first use, for texture brushes (the library copies the image a brush
  // is made of, and copying some images it decoded from damaged bytes is
  // not safe). Null when there is no image.
  TGPBitmap* TextureImage();
  // How often the bytes were decoded (for tests of the decode-once rule).
  int DecodeCount() const { return FDecodeCount; }
  // Counts every change of the bytes.
  uint64_t Version() const { return FVersion; }

 private:
  void Changed();

  std::unique_ptr<TMemoryStream> FStream;
  std::unique_ptr<TGPImage> FImage;
  std::unique_ptr<TGPBitmap> FTexture;
  int FImageWidth = 0;
  int FImageHeight = 0;
  bool FDecoded = false;
  int FDecodeCount = 0;
  uint64_t FVersion = 0;
};

// The message of the one error drawing and size queries raise.
inline constexpr const char* SCouldNotAllocateImage = "Could not allocate memory for image";

// An image of the given size holding the decoded image drawn stretched
// (premultiplied ARGB); a null image when there is nothing to draw.
QImage RenderImage(TGPImage* Image, int Width, int Height);

// Helpers the GDI+ picture classes share.
namespace PictureDetail {
// Runs f with the graphic's change notification held back.
void Quietly(TGraphic* Graphic, const std::function<void()>& f);
// Removes SVG content (bytes and document) from the picture, quietly.
void ClearSVG(TKitSVGBitmap* Picture);
// The saved bytes of a graphic (none for null and empty graphics).
QByteArray SavedBytesOf(TGraphic* Graphic);
// Up to MaxCount bytes of the stream from From; the position is kept.
QByteArray Peek(TStream* Stream, Int64 From, Int64 MaxCount);
// Raster form data: the stream from its position holds raster bytes and
// not SVG form data.
bool IsRasterFormData(TStream* Stream);
// SVG content into (X, Y, W, H) of the graphics, through a canvas on its
// device context, with the native back-end.
void DrawSVGOnGraphics(TKitSVGBitmap* Picture, TGPGraphics* Graphics, float X, float Y, float W, float H);
}  // namespace PictureDetail

// ---------------------------------------------------------------------------
// TKitGDIPPicture

class TKitGDIPPicture : public TKitSVGBitmap {
 public:
  TF_DECLARE_PUBLISHED(TKitGDIPPicture)
  TKitGDIPPicture();
  ~TKitGDIPPicture() override;

  // Raster content of another picture, any other graphic's saved bytes, or
  // (null) no raster content; SVG content of another TKitGDIPPicture. Raster
  // content assigned clears the SVG content the picture held.
  void Assign(TPersistent* Source) override;

  bool Empty() const override;
  int Width() const override;
  int Height() const override;
  // The size comes from the content.
  void SetWidth(int) override {}
  void SetHeight(int) override {}
  void SetSize(int, int) override {}

  // Never raises: a failure leaves the picture empty. Learns the size from
  // the file's header (GetImageSizesFromFileName).
  void LoadFromFile(const QString& FileName);
  // Null and empty streams are ignored.
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  void ReadData(TStream* Stream) override;
  void WriteData(TStream* Stream) override;
  // Clipboard loading and saving do nothing.
  void LoadFromClipboardFormat(Word AFormat, NativeUInt AData, HPALETTE APalette) {}
  void SaveToClipboardFormat(Word& AFormat, NativeUInt& AData, HPALETTE& APalette) {}
  // A raw-data resource of that name (nothing when there is none), of that
  // number (the framework's resource error when there is none).
  void LoadFromResourceName(NativeInt Instance, const QString& ResName);
  void LoadFromResourceID(NativeInt Instance, int ResID);
  // "RES://name" (any letter case) and "FILE://path"; anything else does
  // nothing.
  void LoadFromURL(const QString& url);

  bool Equals(TGraphic* Graphic) override;
  QImage ToImage() override;

  // SVG content into (X, Y, W, H) of the graphics through its device context.
  void DrawSVG(TGPGraphics* Graphics, float X, float Y, float W, float H);
  // The size from a decode; false when empty, true otherwise (0 x 0 for
  // bytes that do not decode).
  bool GetImageSizes();
  // The size from the file's header by its extension; false for raster
  // content (true for SVG), whatever the sniffer found.
  bool GetImageSizesFromFileName(const QString& FileName);

  // Draws into a graphics, stretched into the rectangle; BMP images with
  // Transparent set are colour-keyed (TransparentMode).
  void GDIPDraw(TGPGraphics* Graphics, const TRect& R);
  // The same; nothing while a draw of this overload is in progress.
  void GDIPDraw(TGPGraphics* Graphics, const TGPRectF& R);
  // Fills with the image as a tile anchored at the surface's origin.
  void FillRect(TGPGraphics* Graphics, const TGPRectF& R);
  void FillPath(TGPGraphics* Graphics, TGPGraphicsPath* Path);

  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool Value) { FDoubleBuffered = Value; }
  TTransparentMode TransparentMode() const { return FBitmapTransparentMode; }
  void SetTransparentMode(TTransparentMode Value) { FBitmapTransparentMode = Value; }
  TColor TransparentColor() const { return FBitmapTransparentColor; }
  void SetTransparentColor(TColor Value) { FBitmapTransparentColor = Value; }
  const QString& ID() const { return FID; }
  void SetID(const QString& Value) { FID = Value; }
  int PixelDepth() const { return FPixelDepth; }
  bool HasAlpha() const { return FHasAlpha; }
  bool HasPalette() const { return FHasPalette; }
  int PixelFormat() const { return FPixelFormat; }

  // The raster bytes.
  const TPictureBytes& Datastream() const { return FDatastream; }

  TNotifyEvent OnClear;

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

 private:
  void DrawInto(TGPGraphics* Graphics, const TGPRectF& R, bool IntegerRect);
  void TakeImageInfo(TGPImage* Image);

  bool FDrawing = false;
  TPictureBytes FDatastream;
  bool FIsEmpty = true;
  int FWidth = 0;
  int FHeight = 0;
  bool FDoubleBuffered = false;
  TTransparentMode FBitmapTransparentMode = tmAuto;
  TColor FBitmapTransparentColor = clWhite;
  QString FID;
  int FPixelDepth = 0;
  bool FHasAlpha = false;
  bool FHasPalette = false;
  int FPixelFormat = 0;
};

}  // namespace KitGDIP
