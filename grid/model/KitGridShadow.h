#pragma once
// The pieces of the grid's focus glow: a blurred rounded outline
// (DrawBlurredShadow over BlurBitmap) merged with a colour into an alpha mask
// (TGridAlphaMask) that a layered window shows; and the platform queries that
// choose between themed and classic drawing.

#include "platform/vcl/Graphics.h"

// A 32-bit bitmap with premultiplied colours and the constant opacity a
// layered window shows it with.
class TGridAlphaMask : public TBitmap {
 public:
  TGridAlphaMask();
  // From another mask: the opacity and the pixels (same size); from anything
  // else: as a bitmap. Stays 32-bit either way.
  void Assign(TPersistent* Source) override;
  // Nothing unless Bitmap is 24-bit. Takes Bitmap's size; every pixel's
  // alpha is the red channel of Mask's pixel, its colour Bitmap's channels
  // times alpha / 255, rounded. Color plays no part.
  void MergeMask(TBitmap* Mask, TBitmap* Bitmap, TColor Color);

  Byte Opacity() const { return FOpacity; }
  void SetOpacity(Byte Value) { FOpacity = Value; }

 private:
  Byte FOpacity = 255;
};

// Bitmap becomes 24-bit, Width x Height, black, with a white rounded
// rectangle (filled when PenWidth < 1, else an outline of PenWidth), blurred
// with Radius when Radius > 0.
void DrawBlurredShadow(TBitmap* Bitmap, int Width, int Height, int Radius, int Corner, int PenWidth);
// Gaussian blur of a 24-bit bitmap; any other raises "Blur only works for
// 24-bit bitmaps" and leaves it unchanged.
void BlurBitmap(TBitmap* Bitmap, double Radius);
// The weights of the blur kernel for Radius: offsets -R .. R, trimmed as the
// blur trims them, summing to 1.
std::vector<double> BlurKernel(double Radius);

// The platform answers: themed drawing is available, with no named XP colour
// scheme. IsWinXPOrLater is the theme detection's own.
bool IsWinXPOrLater();
bool IsThemedXP();
int GetXPColorScheme();
