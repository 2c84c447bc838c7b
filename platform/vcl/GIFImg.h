#pragma once
// GIF images as a graphic class, decoded by Qt's GIF reader (the first
// frame of an animation).

#include "platform/vcl/Graphics.h"
#include "platform/vcl/GraphicsPrivate.h"

// A GIF image: the first frame, transparent when the frame has a
// transparent colour. It saves the bytes it was loaded from; a GIF image
// whose pixels came from elsewhere cannot be saved (no GIF encoder) and
// raises EInvalidGraphicOperation.
class TGIFImage : public TGraphic {
 public:
  TF_DECLARE_PUBLISHED(TGIFImage)
  TGIFImage() = default;
  ~TGIFImage() override;

  void Assign(TPersistent* Source) override;

  bool Empty() const override { return FPicture.Image.isNull(); }
  int Width() const override { return FPicture.Image.width(); }
  int Height() const override { return FPicture.Image.height(); }
  // Keeps the pixels of the overlapping area; the new area is transparent.
  void SetSize(int AWidth, int AHeight) override;
  bool Transparent() const override { return FPicture.HasAlpha; }
  void SetTransparent(bool) override {}
  bool SupportsPartialTransparency() const override { return FPicture.HasAlpha; }

  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  static bool CanLoadFromStream(TStream* Stream);

  QImage ToImage() override { return FPicture.Image; }

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  void DrawTransparent(TCanvas* ACanvas, const TRect& Rect, Byte Opacity) override;

 private:
  vclgraphics::TDecodedPicture FPicture;
};
