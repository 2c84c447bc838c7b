#pragma once
// PNG images as a graphic class, decoded and encoded by Qt's PNG support.

#include "platform/vcl/Graphics.h"
#include "platform/vcl/GraphicsPrivate.h"

// A PNG image. Pixels with alpha make it transparent (drawn blended). It
// saves the bytes it was loaded from until its pixels change; after that,
// and for an image assigned from another graphic, it encodes anew.
class TPngImage : public TGraphic {
 public:
  TF_DECLARE_PUBLISHED(TPngImage)
  TPngImage() = default;
  ~TPngImage() override;

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
