// The focus glow's mask, shadow and blur (see KitGridShadow.h).

#include "grid/model/KitGridShadow.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/rtl/SysUtils.h"
#include "platform/win32/Theme.h"

TGridAlphaMask::TGridAlphaMask() { SetPixelFormat(pf32bit); }

void TGridAlphaMask::Assign(TPersistent* Source) {
  if (auto* other = dynamic_cast<TGridAlphaMask*>(Source)) {
    FOpacity = other->FOpacity;
    SetPixelFormat(pf32bit);
    SetSize(other->Width(), other->Height());
    for (int y = 0; y < Height(); ++y)
      std::memcpy(ScanLine(y), other->ScanLine(y), size_t(Width()) * 4);
    return;
  }
  TBitmap::Assign(Source);
  SetPixelFormat(pf32bit);
}

void TGridAlphaMask::MergeMask(TBitmap* Mask, TBitmap* Bitmap, TColor) {
  if (Mask == nullptr || Bitmap == nullptr || Bitmap->PixelFormat() != pf24bit) return;
  const int w = Bitmap->Width();
  const int h = Bitmap->Height();
  SetPixelFormat(pf32bit);
  SetSize(w, h);
  const bool maskOk = Mask->Width() >= w && Mask->Height() >= h;
  const int maskBytes = Mask->PixelFormat() == pf24bit ? 3 : 4;
  for (int y = 0; y < h; ++y) {
    const auto* src = static_cast<const uint8_t*>(Bitmap->ScanLine(y));
    const auto* m = maskOk ? static_cast<const uint8_t*>(Mask->ScanLine(y)) : nullptr;
    auto* dst = static_cast<uint8_t*>(ScanLine(y));
    for (int x = 0; x < w; ++x) {
      // The mask's red channel (byte 2 of B, G, R).
      const int alpha = m ? m[x * maskBytes + 2] : 0;
      for (int c = 0; c < 3; ++c) dst[x * 4 + c] = uint8_t(Round(src[x * 3 + c] * alpha / 255.0));
      dst[x * 4 + 3] = uint8_t(alpha);
    }
  }
}

void DrawBlurredShadow(TBitmap* Bitmap, int Width, int Height, int Radius, int Corner, int PenWidth) {
  Bitmap->SetPixelFormat(pf24bit);
  Bitmap->SetSize(Width, Height);
  TCanvas* c = Bitmap->Canvas();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(clBlack);
  c->Pen()->SetColor(clBlack);
  c->FillRect(TRect(0, 0, Width, Height));
  const int half = PenWidth / 2;
  const TRect r(half + 2, half + 2, Width - half - 2, Height - half - 2);
  if (PenWidth < 1) {
    c->Pen()->SetColor(clWhite);
    c->Brush()->SetColor(clWhite);
    c->RoundRect(r, Corner, Corner);
  } else {
    c->Pen()->SetColor(clWhite);
    c->Pen()->SetWidth(PenWidth);
    c->Brush()->SetStyle(bsClear);
    c->RoundRect(r, Corner, Corner);
    c->Brush()->SetStyle(bsSolid);
    c->Pen()->SetWidth(1);
  }
  if (Radius > 0) BlurBitmap(Bitmap, Radius);
}

std::vector<double> BlurKernel(double Radius) {
  constexpr int kMax = 10;
  std::vector<double> w(2 * kMax + 1);
  double sum = 0;
  for (int k = -kMax; k <= kMax; ++k) {
    // A radius of 0 has no spread: all weight at the centre.
    const double v = Radius > 0 ? std::exp(-(k / Radius) * (k / Radius) / 2) : (k == 0 ? 1.0 : 0.0);
    w[k + kMax] = v;
    sum += v;
  }
  for (double& v : w) v /= sum;
  int r = kMax;
  double dropped = 0;
  while (r > 1 && dropped < 1.0 / 510) {
    dropped += w[kMax - r] + w[kMax + r];
    --r;
  }
  std::vector<double> kept(w.begin() + (kMax - r), w.begin() + (kMax + r + 1));
  double total = 0;
  for (double v : kept) total += v;
  for (double& v : kept) v /= total;
  return kept;
}

void BlurBitmap(TBitmap* Bitmap, double Radius) {
  if (Bitmap == nullptr || Bitmap->PixelFormat() != pf24bit)
    throw Exception(QStringLiteral("Blur only works for 24-bit bitmaps"));
  const std::vector<double> kernel = BlurKernel(Radius);
  const int r = int(kernel.size() / 2);
  const int w = Bitmap->Width();
  const int h = Bitmap->Height();
  if (w == 0 || h == 0) return;
  std::vector<uint8_t> img(size_t(w) * h * 3);
  for (int y = 0; y < h; ++y) std::memcpy(&img[size_t(y) * w * 3], Bitmap->ScanLine(y), size_t(w) * 3);
  auto blurLine = [&](uint8_t* base, int count, int stride) {
    std::vector<uint8_t> line(size_t(count) * 3);
    for (int i = 0; i < count; ++i)
      for (int c = 0; c < 3; ++c) line[size_t(i) * 3 + c] = base[size_t(i) * stride + c];
    for (int i = 0; i < count; ++i)
      for (int c = 0; c < 3; ++c) {
        double s = 0;
        for (int k = -r; k <= r; ++k) s += kernel[k + r] * line[size_t(std::clamp(i + k, 0, count - 1)) * 3 + c];
        base[size_t(i) * stride + c] = uint8_t(s >= 255 ? 255 : (s < 0 ? 0 : int(s)));
      }
  };
  // Rows, then columns; an interior row (column) more than 20 pixels from
  // both ends is a copy of the blurred row (column) 15.
  for (int y = 0; y < h; ++y) {
    if (y > 20 && y < h - 21 && h > 15) {
      std::memcpy(&img[size_t(y) * w * 3], &img[size_t(15) * w * 3], size_t(w) * 3);
      continue;
    }
    blurLine(&img[size_t(y) * w * 3], w, 3);
  }
  for (int x = 0; x < w; ++x) {
    if (x > 20 && x < w - 21 && w > 15) {
      for (int y = 0; y < h; ++y)
        std::memcpy(&img[(size_t(y) * w + x) * 3], &img[(size_t(y) * w + 15) * 3], 3);
      continue;
    }
    blurLine(&img[size_t(x) * 3], h, w * 3);
  }
  for (int y = 0; y < h; ++y) std::memcpy(Bitmap->ScanLine(y), &img[size_t(y) * w * 3], size_t(w) * 3);
}

// (IsWinXPOrLater is the theme detection's, in the foundation.)
bool IsThemedXP() { return IsWinXPOrLater() && IsThemeActive(); }
int GetXPColorScheme() { return 0; }
