#pragma once
// Graphics of the picture formats Qt does not read: TWICImage, the
// framework's imaging class (here for TIFF images), and TMetafile (Windows
// metafiles, placeable or not, and enhanced metafiles).
//
// Their pixels come from an external image decoder that a higher layer
// (the GDI+ runtime) installs; without one, loading raises EInvalidGraphic.
// The decoder answers the picture at its own size in pixels: a metafile at
// its header's size and resolution at 96 dots per inch. Both classes save
// the bytes they were loaded from; one whose pixels came from elsewhere
// (Assign, SetSize) cannot be saved and raises EInvalidGraphicOperation.
//
// Not covered: metafiles are drawn from their decoded pixels (stretched),
// not replayed at the size they are drawn; TWICImage reads TIFF only.

#include <QByteArray>
#include <QImage>

#include "platform/vcl/Graphics.h"
#include "platform/vcl/GraphicsPrivate.h"

// The decoder of the formats above: the pixels of Bytes as premultiplied
// ARGB, or a null image when they do not decode.
using TExternalImageDecoder = QImage (*)(const QByteArray& Bytes);
// Installs the decoder (null removes it); answers the one it replaces.
TExternalImageDecoder SetExternalImageDecoder(TExternalImageDecoder Decoder);
TExternalImageDecoder ExternalImageDecoder();

class TWICImage : public TGraphic {
 public:
  TF_DECLARE_PUBLISHED(TWICImage)
  TWICImage() = default;
  ~TWICImage() override;

  void Assign(TPersistent* Source) override;

  bool Empty() const override { return FPicture.Image.isNull(); }
  int Width() const override { return FPicture.Image.width(); }
  int Height() const override { return FPicture.Image.height(); }
  void SetSize(int AWidth, int AHeight) override;
  bool Transparent() const override { return FPicture.HasAlpha; }
  void SetTransparent(bool) override {}
  bool SupportsPartialTransparency() const override { return FPicture.HasAlpha; }

  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  // A TIFF signature ("II" 42 or "MM" 42).
  static bool CanLoadFromStream(TStream* Stream);

  QImage ToImage() override { return FPicture.Image; }

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  void DrawTransparent(TCanvas* ACanvas, const TRect& Rect, Byte Opacity) override;

 private:
  vclgraphics::TDecodedPicture FPicture;
};

class TMetafile : public TGraphic {
 public:
  TF_DECLARE_PUBLISHED(TMetafile)
  TMetafile() = default;
  ~TMetafile() override;

  void Assign(TPersistent* Source) override;

  bool Empty() const override { return FPicture.Image.isNull(); }
  int Width() const override { return FPicture.Image.width(); }
  int Height() const override { return FPicture.Image.height(); }
  void SetSize(int AWidth, int AHeight) override;
  bool Transparent() const override { return true; }
  void SetTransparent(bool) override {}
  bool SupportsPartialTransparency() const override { return true; }
  // True for an enhanced metafile.
  bool Enhanced() const { return FEnhanced; }

  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  // A placeable or plain Windows metafile header, or an enhanced metafile
  // header.
  static bool CanLoadFromStream(TStream* Stream);

  QImage ToImage() override { return FPicture.Image; }

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  void DrawTransparent(TCanvas* ACanvas, const TRect& Rect, Byte Opacity) override;

 private:
  vclgraphics::TDecodedPicture FPicture;
  bool FEnhanced = false;
};
