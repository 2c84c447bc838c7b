#pragma once
// TGDIPPicture: the picture of hint information. It keeps raster bytes or
// SVG content (as the GDI+ pictures of KitGDIPPicture.h do), tells its
// format from the first bytes, draws on a canvas with an optional rotation
// and into a GDI+ graphics at a point or stretched into a rectangle.
//
// Differences from TKitGDIPPicture: the size is always learned from a
// decode (never from a file header); a BMP with TransparentBitmap set is
// drawn by the canvas, stretched, with its bottom-left pixel's colour
// transparent; Assign(null) also clears SVG content.

#include <QString>

#include "gdiplus/KitGDIPPicture.h"

enum TPictureFormat { pfBMP, pfGIF, pfJPG, pfPNG, pfICO, pfTiff, pfMetaFile, pfNone };
TF_ENUM_NAMES(TPictureFormat, pfBMP, pfGIF, pfJPG, pfPNG, pfICO, pfTiff, pfMetaFile, pfNone)

class TGDIPPicture : public TKitSVGBitmap {
 public:
  TF_DECLARE_PUBLISHED(TGDIPPicture)
  TGDIPPicture();
  ~TGDIPPicture() override;

  // Null: no content at all. Another TGDIPPicture: its content. Any other
  // graphic (a picture's graphic): its saved bytes. Raster content assigned
  // clears the SVG content the picture held.
  void Assign(TPersistent* Source) override;

  bool Empty() const override;
  int Width() const override;
  int Height() const override;
  void SetWidth(int) override {}
  void SetHeight(int) override {}
  void SetSize(int, int) override {}

  // Never raises: a failure leaves the picture empty. Remembers the name.
  void LoadFromFile(const QString& FileName);
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  void ReadData(TStream* Stream) override;
  void WriteData(TStream* Stream) override;
  void LoadFromClipboardFormat(Word AFormat, NativeUInt AData, HPALETTE APalette) {}
  void SaveToClipboardFormat(Word& AFormat, NativeUInt& AData, HPALETTE& APalette) {}
  void LoadFromResourceName(NativeInt Instance, const QString& ResName);
  void LoadFromResourceID(NativeInt Instance, int ResID);
  void LoadFromURL(const QString& url);

  bool Equals(TGraphic* Graphic) override;
  QImage ToImage() override;

  void DrawSVG(KitGDIP::TGPGraphics* Graphics, float X, float Y, float W, float H);
  // The size from a decode; false when empty.
  bool GetImageSizes();
  // The image at the point in its own size.
  void DrawImage(KitGDIP::TGPGraphics* Graphics, int X, int Y);
  // The image stretched into the rectangle.
  void DrawImageRect(KitGDIP::TGPGraphics* Graphics, int X, int Y, int W, int H);

  // The format of the raster bytes by their signature.
  TPictureFormat PictureFormat() const;
  // The picture itself.
  TGraphic* Graphic() { return this; }
  const QString& GetFileName() const { return FFileName; }
  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool Value) { FDoubleBuffered = Value; }
  TColor BackgroundColor() const { return FBackgroundColor; }
  void SetBackgroundColor(TColor Value) { FBackgroundColor = Value; }
  bool TransparentBitmap() const { return FTransparentBitmap; }
  void SetTransparentBitmap(bool Value) { FTransparentBitmap = Value; }
  int Angle() const { return FAngle; }
  void SetAngle(int Value) { FAngle = Value; }

  const KitGDIP::TPictureBytes& Datastream() const { return FDatastream; }

  TNotifyEvent OnClear;

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

 private:
  QString FFileName;
  KitGDIP::TPictureBytes FDatastream;
  bool FIsEmpty = true;
  int FWidth = 0;
  int FHeight = 0;
  bool FDoubleBuffered = false;
  TColor FBackgroundColor = clBlack;
  bool FTransparentBitmap = true;
  int FAngle = 0;
};

// The format of picture bytes by their signature (fewer than 44 bytes:
// pfNone).
TPictureFormat PictureFormatOf(const QByteArray& Bytes);
