#include "tests/platform/win32/GdiTestSupport.h"

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

COLORREF Canvas::Px(int x, int y) const { return probe::BgrAt(image_, x, y); }
QRect Canvas::Ink(COLORREF bg) const { return probe::Box(image_, probe::NotBgr(bg)); }
QRect Canvas::InkOf(COLORREF c) const { return probe::Box(image_, probe::IsBgr(c)); }
int Canvas::Count(COLORREF c) const { return probe::Count(image_, probe::IsBgr(c)); }
int Canvas::CountNot(COLORREF bg) const { return probe::Count(image_, probe::NotBgr(bg)); }

void Canvas::Fill(COLORREF c) { image_.fill(Argb(c)); }

HFONT TestFont(int height, int weight, const char16_t* face, int escapement) {
  return CreateFontW(height, 0, escapement, escapement, weight, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, face);
}

}  // namespace gditest
