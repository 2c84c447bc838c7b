#include "tests/platform/win32/GdiTestSupport.h"

#include <algorithm>

namespace gditest {

namespace {
uint32_t Argb(COLORREF c) {
  return 0xFF000000u | (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}
}  // namespace

Canvas::Canvas(int w, int h, COLORREF fill) : image_(w, h, QImage::Format_ARGB32_Premultiplied) {
  image_.fill(Argb(fill));
  dc_ = CreateImageDC(&image_);
}

Canvas::~Canvas() { DeleteDC(dc_); }

COLORREF Canvas::Px(int x, int y) const {
  const QRgb p = image_.pixel(x, y);
  return RGB(qRed(p), qGreen(p), qBlue(p));
}

QRect Canvas::Ink(COLORREF bg) const {
  QRect r;
  for (int y = 0; y < image_.height(); ++y)
    for (int x = 0; x < image_.width(); ++x)
      if (Px(x, y) != bg) r |= QRect(x, y, 1, 1);
  return r;
}

QRect Canvas::InkOf(COLORREF c) const {
  QRect r;
  for (int y = 0; y < image_.height(); ++y)
    for (int x = 0; x < image_.width(); ++x)
      if (Px(x, y) == c) r |= QRect(x, y, 1, 1);
  return r;
}

int Canvas::Count(COLORREF c) const {
  int n = 0;
  for (int y = 0; y < image_.height(); ++y)
    for (int x = 0; x < image_.width(); ++x) n += Px(x, y) == c;
  return n;
}

int Canvas::CountNot(COLORREF bg) const {
  return image_.width() * image_.height() - Count(bg);
}

void Canvas::Fill(COLORREF c) { image_.fill(Argb(c)); }

HFONT TestFont(int height, int weight, const char16_t* face, int escapement) {
  return CreateFontW(height, 0, escapement, escapement, weight, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, face);
}

}  // namespace gditest
