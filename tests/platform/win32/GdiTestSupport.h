#pragma once
// Helpers of the GDI tests: an image with a DC over it (its probes are those
// of tests/support/PixelProbes.h in COLORREF terms) and owned GDI objects.

#include <QImage>
#include <QRect>
#include <string>

#include "platform/win32/Gdi.h"
#include "tests/support/PixelProbes.h"

namespace gditest {

inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kBlack = RGB(0, 0, 0);
inline constexpr COLORREF kRed = RGB(255, 0, 0);
inline constexpr COLORREF kGreen = RGB(0, 255, 0);
inline constexpr COLORREF kBlue = RGB(0, 0, 255);

// An image filled with one colour and a DC drawing into it.
class Canvas {
 public:
  explicit Canvas(int w = 64, int h = 64, COLORREF fill = kWhite);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  QImage& image() { return image_; }
  const QImage& image() const { return image_; }
  // The colour of a pixel, read from the image itself (alpha left out).
  COLORREF Px(int x, int y) const;
  // Bounding box of the pixels that differ from bg, or that are c (empty:
  // none), and how many there are.
  QRect Ink(COLORREF bg = kWhite) const;
  QRect InkOf(COLORREF c) const;
  int Count(COLORREF c) const;
  int CountNot(COLORREF bg) const;
  void Fill(COLORREF c);

 private:
  QImage image_;
  HDC dc_;
};

// Deletes a GDI object when it goes.
template <class H>
class Owned {
 public:
  explicit Owned(H h) : h_(h) {}
  ~Owned() {
    if (h_) DeleteObject(h_);
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  operator H() const { return h_; }
  H get() const { return h_; }

 private:
  H h_;
};

// Selects an object for a scope and puts the previous one back.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ obj) : dc_(dc), prev_(SelectObject(dc, obj)) {}
  ~Selected() {
    if (prev_) SelectObject(dc_, prev_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ prev_;
};

// A font of the pinned test family with the given height (LOGFONT rules).
HFONT TestFont(int height, int weight = FW_NORMAL, const char16_t* face = u"Tahoma", int escapement = 0);

}  // namespace gditest
