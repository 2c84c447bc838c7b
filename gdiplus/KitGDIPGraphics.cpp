// The static GDI+ binding: the graphics object, its text helpers and the
// fill painter.

#include <QImage>

#include <cstring>
#include <string>

#include "gdiplus/KitGDIP.h"
#include "gdiplus/KitGDIPFlat.h"
#include "gdiplus/KitGDIPPicture.h"
#include "platform/vcl/Graphics.h"

namespace KitGDIP {

namespace {
constexpr UINT ImageLockModeRead = 1;
constexpr UINT ImageLockModeWrite = 2;

int Length16(const char16_t* text) { return text ? int(std::char_traits<char16_t>::length(text)) : 0; }

const WCHAR* Wide(const char16_t* text) { return reinterpret_cast<const WCHAR*>(text); }
const WCHAR* Wide(const QString& text) { return reinterpret_cast<const WCHAR*>(text.utf16()); }

int StyleBitsOf(TFont* font) {
  int bits = FontStyleRegular;
  const TFontStyles style = font->Style();
  if (style.Contains(fsBold)) bits |= FontStyleBold;
  if (style.Contains(fsItalic)) bits |= FontStyleItalic;
  if (style.Contains(fsUnderline)) bits |= FontStyleUnderline;
  if (style.Contains(fsStrikeOut)) bits |= FontStyleStrikeout;
  return bits;
}
}  // namespace

// A device context handed out by GetHDC, and for a graphics on an image the
// copy of its pixels the context draws into.
struct TGPGraphics::THdcState {
  HDC Dc = nullptr;
  QImage Pixels;
  bool OwnDc = false;
};

TF_PUBLISHED(TGPGraphics, TGdiplusBase) { return TPublished<TGPGraphics>(); }

TGPGraphics::TGPGraphics(HDC hdc) : FHdc(hdc) { lastResult = GDIP(GdipCreateFromHDC)(hdc, &nativeGraphics); }

TGPGraphics::TGPGraphics(TGPImage* image) : FImage(TNative::Get(image)) {
  lastResult = GDIP(GdipGetImageGraphicsContext)(FImage, &nativeGraphics);
  if (lastResult != Ok) nativeGraphics = nullptr;
}

TGPGraphics::~TGPGraphics() {
  if (FHdcState) ReleaseHDC(FHdcState->Dc);
  FCachedFont.reset();
  if (nativeGraphics) GDIP(GdipDeleteGraphics)(nativeGraphics);
}

TGPGraphics* TGPGraphics::FromImage(TGPImage* image) { return new TGPGraphics(image); }

TStatus TGPGraphics::SetStatus(TStatus status) {
  if (status != Ok) lastResult = status;
  return status;
}

TStatus TGPGraphics::Flush(FlushIntention intention) { return SetStatus(GDIP(GdipFlush)(nativeGraphics, intention)); }
TStatus TGPGraphics::Clear(ARGB color) { return SetStatus(GDIP(GdipGraphicsClear)(nativeGraphics, color)); }

TStatus TGPGraphics::SetTransform(TGPMatrix* matrix) {
  return SetStatus(GDIP(GdipSetWorldTransform)(nativeGraphics, TNative::Get(matrix)));
}

TStatus TGPGraphics::ResetTransform() { return SetStatus(GDIP(GdipResetWorldTransform)(nativeGraphics)); }

TStatus TGPGraphics::MultiplyTransform(TGPMatrix* matrix, MatrixOrder order) {
  return SetStatus(GDIP(GdipMultiplyWorldTransform)(nativeGraphics, TNative::Get(matrix), order));
}

TStatus TGPGraphics::TranslateTransform(REAL dx, REAL dy, MatrixOrder order) {
  return SetStatus(GDIP(GdipTranslateWorldTransform)(nativeGraphics, dx, dy, order));
}

TStatus TGPGraphics::ScaleTransform(REAL sx, REAL sy, MatrixOrder order) {
  return SetStatus(GDIP(GdipScaleWorldTransform)(nativeGraphics, sx, sy, order));
}

TStatus TGPGraphics::RotateTransform(REAL angle, MatrixOrder order) {
  return SetStatus(GDIP(GdipRotateWorldTransform)(nativeGraphics, angle, order));
}

TStatus TGPGraphics::GetTransform(TGPMatrix* matrix) {
  return SetStatus(GDIP(GdipGetWorldTransform)(nativeGraphics, TNative::Get(matrix)));
}

HDC TGPGraphics::GetHDC() {
  if (nativeGraphics == nullptr) {
    SetStatus(InvalidParameter);
    return nullptr;
  }
  if (FHdcState) {  // already handed out
    SetStatus(ObjectBusy);
    return nullptr;
  }
  GDIP(GdipFlush)(nativeGraphics, FlushIntentionSync);
  auto state = std::make_unique<THdcState>();
  if (FHdc) {
    state->Dc = FHdc;
  } else if (FImage) {
    UINT width = 0, height = 0;
    GDIP(GdipGetImageWidth)(FImage, &width);
    GDIP(GdipGetImageHeight)(FImage, &height);
    if (width == 0 || height == 0 || width > 65535 || height > 65535) {
      SetStatus(InvalidParameter);
      return nullptr;
    }
    state->Pixels = QImage(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
    if (state->Pixels.isNull()) {
      SetStatus(OutOfMemory);
      return nullptr;
    }
    const GpRect all{0, 0, int(width), int(height)};
    BitmapData data{};
    const TStatus status =
        SetStatus(GDIP(GdipBitmapLockBits)(FImage, &all, ImageLockModeRead, PixelFormat32bppPARGB, &data));
    if (status != Ok) return nullptr;
    for (int y = 0; y < int(height); ++y)
      std::memcpy(state->Pixels.scanLine(y), static_cast<const uchar*>(data.Scan0) + qsizetype(y) * data.Stride,
                  size_t(width) * 4);
    GDIP(GdipBitmapUnlockBits)(FImage, &data);
    state->Dc = CreateImageDC(&state->Pixels);
    state->OwnDc = true;
    if (!state->Dc) {
      SetStatus(OutOfMemory);
      return nullptr;
    }
  } else {
    SetStatus(NotImplemented);
    return nullptr;
  }
  FHdcState = std::move(state);
  return FHdcState->Dc;
}

void TGPGraphics::ReleaseHDC(HDC hdc) {
  if (!FHdcState || hdc != FHdcState->Dc) {
    SetStatus(InvalidParameter);
    return;
  }
  std::unique_ptr<THdcState> state = std::move(FHdcState);
  if (!state->OwnDc) return;
  GdiFlush();
  const int width = state->Pixels.width(), height = state->Pixels.height();
  const GpRect all{0, 0, width, height};
  BitmapData data{};
  if (SetStatus(GDIP(GdipBitmapLockBits)(FImage, &all, ImageLockModeWrite, PixelFormat32bppPARGB, &data)) == Ok) {
    for (int y = 0; y < height; ++y)
      std::memcpy(static_cast<uchar*>(data.Scan0) + qsizetype(y) * data.Stride, state->Pixels.constScanLine(y),
                  size_t(width) * 4);
    GDIP(GdipBitmapUnlockBits)(FImage, &data);
  }
  DeleteDC(state->Dc);
}

TStatus TGPGraphics::SetCompositingQuality(int compositingQuality) {
  return SetStatus(GDIP(GdipSetCompositingQuality)(nativeGraphics, compositingQuality));
}

int TGPGraphics::GetCompositingQuality() {
  INT quality = CompositingQualityInvalid;
  if (SetStatus(GDIP(GdipGetCompositingQuality)(nativeGraphics, &quality)) != Ok) return CompositingQualityInvalid;
  return quality;
}

TStatus TGPGraphics::SetTextRenderingHint(TextRenderingHint newMode) {
  return SetStatus(GDIP(GdipSetTextRenderingHint)(nativeGraphics, newMode));
}

TextRenderingHint TGPGraphics::GetTextRenderingHint() {
  TextRenderingHint hint = TextRenderingHintSystemDefault;
  if (SetStatus(GDIP(GdipGetTextRenderingHint)(nativeGraphics, &hint)) != Ok) return TextRenderingHintSystemDefault;
  return hint;
}

TStatus TGPGraphics::SetSmoothingMode(int smoothingMode) {
  return SetStatus(GDIP(GdipSetSmoothingMode)(nativeGraphics, smoothingMode));
}

int TGPGraphics::GetSmoothingMode() {
  INT mode = SmoothingModeInvalid;
  if (SetStatus(GDIP(GdipGetSmoothingMode)(nativeGraphics, &mode)) != Ok) return SmoothingModeInvalid;
  return mode;
}

TStatus TGPGraphics::SetClip(TGPRegion* region, CombineMode combineMode) {
  return SetStatus(GDIP(GdipSetClipRegion)(nativeGraphics, TNative::Get(region), combineMode));
}

TStatus TGPGraphics::SetClip(TGPGraphicsPath* path, CombineMode combineMode) {
  return SetStatus(GDIP(GdipSetClipPath)(nativeGraphics, TNative::Get(path), combineMode));
}

TStatus TGPGraphics::SetClip(const TGPRectF& rect, CombineMode combineMode) {
  return SetStatus(GDIP(GdipSetClipRect)(nativeGraphics, rect.X, rect.Y, rect.Width, rect.Height, combineMode));
}

TStatus TGPGraphics::ExcludeClip(const TGPRectF& rect) { return SetClip(rect, CombineModeExclude); }
TStatus TGPGraphics::ExcludeClip(TGPRegion* region) { return SetClip(region, CombineModeExclude); }
TStatus TGPGraphics::ResetClip() { return SetStatus(GDIP(GdipResetClip)(nativeGraphics)); }

TStatus TGPGraphics::DrawPath(TGPPen* pen, TGPGraphicsPath* path) {
  return SetStatus(
      GDIP(GdipDrawPath)(nativeGraphics, TNative::Get(pen), TNative::Get(path)));
}

TStatus TGPGraphics::FillPath(TGPBrush* brush, TGPGraphicsPath* path) {
  return SetStatus(
      GDIP(GdipFillPath)(nativeGraphics, TNative::Get(brush), TNative::Get(path)));
}

TStatus TGPGraphics::FillRectangle(TGPBrush* brush, const TGPRectF& rect) {
  return FillRectangle(brush, rect.X, rect.Y, rect.Width, rect.Height);
}

TStatus TGPGraphics::FillRectangle(TGPBrush* brush, REAL x, REAL y, REAL width, REAL height) {
  return SetStatus(
      GDIP(GdipFillRectangle)(nativeGraphics, TNative::Get(brush), x, y, width, height));
}

TStatus TGPGraphics::DrawRectangle(TGPPen* pen, const TGPRectF& rect) {
  return DrawRectangle(pen, rect.X, rect.Y, rect.Width, rect.Height);
}

TStatus TGPGraphics::DrawRectangle(TGPPen* pen, REAL x, REAL y, REAL width, REAL height) {
  return SetStatus(GDIP(GdipDrawRectangle)(nativeGraphics, TNative::Get(pen), x, y, width, height));
}

TStatus TGPGraphics::DrawLine(TGPPen* pen, REAL x1, REAL y1, REAL x2, REAL y2) {
  return SetStatus(GDIP(GdipDrawLine)(nativeGraphics, TNative::Get(pen), x1, y1, x2, y2));
}

TStatus TGPGraphics::DrawArc(TGPPen* pen, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                             REAL sweepAngle) {
  return SetStatus(GDIP(GdipDrawArc)(nativeGraphics, TNative::Get(pen), x, y, width, height,
                                     startAngle, sweepAngle));
}

TStatus TGPGraphics::DrawArc(TGPPen* pen, const TGPRectF& rect, REAL startAngle, REAL sweepAngle) {
  return DrawArc(pen, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

TStatus TGPGraphics::DrawBezier(TGPPen* pen, REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4,
                                REAL y4) {
  return SetStatus(
      GDIP(GdipDrawBezier)(nativeGraphics, TNative::Get(pen), x1, y1, x2, y2, x3, y3, x4, y4));
}

TStatus TGPGraphics::DrawBezier(TGPPen* pen, const TGPPointF& pt1, const TGPPointF& pt2, const TGPPointF& pt3,
                                const TGPPointF& pt4) {
  return DrawBezier(pen, pt1.X, pt1.Y, pt2.X, pt2.Y, pt3.X, pt3.Y, pt4.X, pt4.Y);
}

TStatus TGPGraphics::DrawBeziers(TGPPen* pen, const TGPPointF* points, int count) {
  if (points == nullptr || count <= 0) return SetStatus(InvalidParameter);
  return SetStatus(GDIP(GdipDrawBeziers)(nativeGraphics, TNative::Get(pen), points, count));
}

TStatus TGPGraphics::DrawEllipse(TGPPen* pen, const TGPRectF& rect) {
  return DrawEllipse(pen, rect.X, rect.Y, rect.Width, rect.Height);
}

TStatus TGPGraphics::DrawEllipse(TGPPen* pen, REAL x, REAL y, REAL width, REAL height) {
  return SetStatus(GDIP(GdipDrawEllipse)(nativeGraphics, TNative::Get(pen), x, y, width, height));
}

TStatus TGPGraphics::DrawEllipse(TGPPen* pen, const TGPRect& rect) {
  return DrawEllipse(pen, rect.X, rect.Y, rect.Width, rect.Height);
}

TStatus TGPGraphics::DrawEllipse(TGPPen* pen, int x, int y, int width, int height) {
  return SetStatus(GDIP(GdipDrawEllipseI)(nativeGraphics, TNative::Get(pen), x, y, width, height));
}

TStatus TGPGraphics::FillEllipse(TGPBrush* brush, const TGPRectF& rect) {
  return FillEllipse(brush, rect.X, rect.Y, rect.Width, rect.Height);
}

TStatus TGPGraphics::FillEllipse(TGPBrush* brush, REAL x, REAL y, REAL width, REAL height) {
  return SetStatus(GDIP(GdipFillEllipse)(nativeGraphics, TNative::Get(brush), x, y, width, height));
}

TStatus TGPGraphics::FillEllipse(TGPBrush* brush, const TGPRect& rect) {
  return FillEllipse(brush, rect.X, rect.Y, rect.Width, rect.Height);
}

TStatus TGPGraphics::FillEllipse(TGPBrush* brush, int x, int y, int width, int height) {
  return SetStatus(
      GDIP(GdipFillEllipseI)(nativeGraphics, TNative::Get(brush), x, y, width, height));
}

TStatus TGPGraphics::FillPolygon(TGPBrush* brush, const TGPPointF* points, int count) {
  return FillPolygon(brush, points, count, FillModeAlternate);
}

TStatus TGPGraphics::FillPolygon(TGPBrush* brush, const TGPPointF* points, int count, FillMode fillMode) {
  if (points == nullptr || count <= 0) return SetStatus(InvalidParameter);
  return SetStatus(
      GDIP(GdipFillPolygon)(nativeGraphics, TNative::Get(brush), points, count, fillMode));
}

TStatus TGPGraphics::FillPolygon(TGPBrush* brush, const TGPPoint* points, int count) {
  return FillPolygon(brush, points, count, FillModeAlternate);
}

TStatus TGPGraphics::FillPolygon(TGPBrush* brush, const TGPPoint* points, int count, FillMode fillMode) {
  if (points == nullptr || count <= 0) return SetStatus(InvalidParameter);
  return SetStatus(
      GDIP(GdipFillPolygonI)(nativeGraphics, TNative::Get(brush), points, count, fillMode));
}

TStatus TGPGraphics::DrawImage(TGPImage* image, REAL x, REAL y) {
  return SetStatus(GDIP(GdipDrawImage)(nativeGraphics, TNative::Get(image), x, y));
}

TStatus TGPGraphics::DrawImage(TGPImage* image, int x, int y) {
  return SetStatus(GDIP(GdipDrawImageI)(nativeGraphics, TNative::Get(image), x, y));
}

TStatus TGPGraphics::DrawImage(TGPImage* image, const TGPRectF& rect) {
  return SetStatus(GDIP(GdipDrawImageRect)(nativeGraphics, TNative::Get(image), rect.X, rect.Y,
                                           rect.Width, rect.Height));
}

TStatus TGPGraphics::DrawImage(TGPImage* image, const TGPRectF& destRect, REAL srcx, REAL srcy, REAL srcwidth,
                               REAL srcheight, Unit_ srcUnit, TGPImageAttributes* imageAttributes) {
  return SetStatus(GDIP(GdipDrawImageRectRect)(
      nativeGraphics, TNative::Get(image), destRect.X, destRect.Y, destRect.Width, destRect.Height,
      srcx, srcy, srcwidth, srcheight, srcUnit, TNative::Get(imageAttributes), nullptr,
      nullptr));
}

TStatus TGPGraphics::DrawImageRect(TGPImage* image, int x, int y, int width, int height) {
  return SetStatus(
      GDIP(GdipDrawImageRectI)(nativeGraphics, TNative::Get(image), x, y, width, height));
}

TStatus TGPGraphics::DrawImageRect(TGPImage* image, const TGPRectF& rect) {
  return DrawImageRect(image, RoundEven(rect.X), RoundEven(rect.Y), RoundEven(rect.Width), RoundEven(rect.Height));
}

TStatus TGPGraphics::DrawString(const QString& string, int, TGPFont* font, const TGPRectF& layoutRect,
                                TGPStringFormat* stringFormat, TGPBrush* brush) {
  if (brush == nullptr) return SetStatus(InvalidParameter);  // the library would draw in black
  return SetStatus(GDIP(GdipDrawString)(nativeGraphics, Wide(string), int(string.size()),
                                        TNative::Get(font), &layoutRect,
                                        TNative::Get(stringFormat),
                                        TNative::Get(brush)));
}

TStatus TGPGraphics::DrawString(const char16_t* string, int, TGPFont* font, const TGPRectF& layoutRect,
                                TGPStringFormat* stringFormat, TGPBrush* brush) {
  if (brush == nullptr) return SetStatus(InvalidParameter);  // the library would draw in black
  const std::u16string text(string ? string : u"");  // zero-terminated copy
  return SetStatus(GDIP(GdipDrawString)(nativeGraphics, Wide(text.c_str()), Length16(text.c_str()),
                                        TNative::Get(font), &layoutRect,
                                        TNative::Get(stringFormat),
                                        TNative::Get(brush)));
}

TStatus TGPGraphics::DrawString(const char16_t* string, int length, TGPFont* font, const TGPPointF& origin,
                                TGPBrush* brush) {
  return DrawString(string, length, font, origin, nullptr, brush);
}

TStatus TGPGraphics::DrawString(const char16_t* string, int length, TGPFont* font, const TGPPointF& origin,
                                TGPStringFormat* stringFormat, TGPBrush* brush) {
  const TGPRectF rect{origin.X, origin.Y, 0.0f, 0.0f};
  return DrawString(string, length, font, rect, stringFormat, brush);
}

TStatus TGPGraphics::MeasureString(const QString& string, int length, TGPFont* font, const TGPRectF& layoutRect,
                                   TGPStringFormat* stringFormat, TGPRectF& boundingBox, int* codepointsFitted,
                                   int* linesFilled) {
  boundingBox = TGPRectF{};
  INT fitted = 0, lines = 0;
  // -1 measures to the end; a length beyond the text is held to it.
  const int count = (length < 0 || length > string.size()) ? int(string.size()) : length;
  const TStatus status = SetStatus(GDIP(GdipMeasureString)(
      nativeGraphics, Wide(string), count, TNative::Get(font), &layoutRect,
      TNative::Get(stringFormat), &boundingBox, &fitted, &lines));
  if (status != Ok) boundingBox = TGPRectF{};
  if (codepointsFitted) *codepointsFitted = status == Ok ? fitted : 0;
  if (linesFilled) *linesFilled = status == Ok ? lines : 0;
  return status;
}

TStatus TGPGraphics::MeasureString(const QString& string, int length, TGPFont* font, const TGPRectF& layoutRect,
                                   TGPRectF& boundingBox) {
  return MeasureString(string, length, font, layoutRect, nullptr, boundingBox);
}

TStatus TGPGraphics::MeasureString(const QString& string, int length, TGPFont* font, const TGPPointF& origin,
                                   TGPStringFormat* stringFormat, TGPRectF& boundingBox) {
  const TGPRectF rect{origin.X, origin.Y, 0.0f, 0.0f};
  return MeasureString(string, length, font, rect, stringFormat, boundingBox);
}

TStatus TGPGraphics::GetLastStatus() {
  const TStatus result = lastResult;
  lastResult = Ok;
  return result;
}

// ---------------------------------------------------------------------------
// Text helpers

TGPFont* TGPGraphics::MakeFont(TFont* font) { return MakeFont(font, REAL(font ? font->Size() : 0)); }

TGPFont* TGPGraphics::MakeFont(TFont* font, REAL size) {
  if (font == nullptr) return new TGPFont(static_cast<GpFont*>(nullptr), InvalidParameter);
  auto family = std::make_unique<TGPFontFamily>(font->Name());
  TStatus status = family->Status();
  if (status == FontFamilyNotFound || status == FontStyleNotFound) {
    family = std::make_unique<TGPFontFamily>(QStringLiteral("Arial"));
    status = family->Status();
  }
  if (!family->IsAvailable()) {
    // Not even the stand-in family: the generic sans-serif family.
    return new TGPFont(TGPFontFamily::GenericSansSerif(), size, StyleBitsOf(font), UnitPoint);
  }
  return new TGPFont(family.get(), size, StyleBitsOf(font), UnitPoint);
}

TGPFont* TGPGraphics::MakeFontEx(TFont* font) { return MakeFontEx(font, REAL(font ? font->Size() : 0)); }

TGPFont* TGPGraphics::MakeFontEx(TFont* font, REAL size) {
  if (font == nullptr) return nullptr;
  if (FCachedFont) {
    const bool same = FCachedFont->GetSize() == size && FCachedFont->GetStyle() == StyleBitsOf(font) &&
                      FCachedFamily == font->Name();
    if (same) return FCachedFont.get();
    FCachedFont.reset();
  }
  FCachedFont.reset(MakeFont(font, size));
  FCachedFamily = font->Name();
  return FCachedFont.get();
}

int TGPGraphics::TextWidth(const QString& text, TFont* font) {
  TGPFont* f = MakeFontEx(font);
  TGPRectF box{};
  MeasureString(text, -1, f, TGPRectF{0, 0, 10000, 10000}, nullptr, box);
  return RoundEven(box.Width);
}

int TGPGraphics::TextHeight(const QString& text, TFont* font) {
  TGPFont* f = MakeFontEx(font);
  TGPRectF box{};
  MeasureString(text, -1, f, TGPRectF{0, 0, 10000, 10000}, nullptr, box);
  return RoundEven(box.Height);
}

int TGPGraphics::DrawText(const QString& text, int length, TRect& rect, TFont* font, UINT style, TColor bgColor) {
  TGPFont* f = MakeFontEx(font);
  const bool calc = (style & DT_CALCRECT_FLAG) != 0;
  TGPRectF box{};
  int margin = 2;
  if (calc || bgColor != clNone) {
    const REAL size = f ? f->GetSize() : 0;
    if (size > 8) margin = 2 + RoundEven((size - 8) / 1.5);
    QString measured = text;
    // A trailing blank counts: measure it as a letter.
    if (measured.size() > 1 && measured.endsWith(u' ')) measured[measured.size() - 1] = u'i';
    const TGPRectF layout{REAL(rect.Left), REAL(rect.Top), REAL(rect.Right - rect.Left + 1000),
                          REAL(rect.Bottom - rect.Top)};
    MeasureString(measured, length, f, layout, nullptr, box);
    rect.Right = rect.Left + RoundEven(box.Width - margin);
    rect.Bottom = rect.Top + RoundEven(box.Height);
  }
  if (bgColor != clNone) {
    TGPSolidBrush brush(ColorToArgbWithAlpha(255, bgColor));
    FillRectangle(&brush, REAL(rect.Left + 1), REAL(rect.Top), box.Width - margin + 1, box.Height);
  }
  if (!calc) {
    TGPSolidBrush brush(ColorToArgbWithAlpha(255, font ? font->Color() : clBlack));
    const TGPRectF origin{REAL(rect.Left), REAL(rect.Top), 0.0f, 0.0f};
    DrawString(text, length, f, origin, nullptr, &brush);
  }
  return rect.Bottom - rect.Top;
}

// ---------------------------------------------------------------------------
// Fill painter

void PaintGradientFill(TGradientFillParams Params) {
  TGPGraphics* graphics = Params.Graphics;
  if (graphics == nullptr) return;
  const TGPRectF& r = Params.Rect;
  const bool usePath = Params.UsePath && Params.Path != nullptr;
  auto fillTarget = [&](TGPBrush* brush) {
    if (usePath)
      graphics->FillPath(brush, Params.Path);
    else
      graphics->FillRectangle(brush, r);
  };
  const ARGB from = ColorToArgbWithAlpha(Params.OpacityFrom, Params.ColorFrom);
  const ARGB to = ColorToArgbWithAlpha(Params.OpacityTo, Params.ColorTo);
  const TGPRectF grown{r.X - 1, r.Y - 1, r.Width + 2, r.Height + 2};

  switch (Params.GradientType) {
    case gtSolid: {
      TGPSolidBrush brush(from);
      fillTarget(&brush);
      break;
    }
    case gtVertical:
    case gtHorizontal:
    case gtForwardDiagonal:
    case gtBackwardDiagonal: {
      LinearGradientMode mode = LinearGradientModeVertical;
      if (Params.GradientType == gtHorizontal) mode = LinearGradientModeHorizontal;
      if (Params.GradientType == gtForwardDiagonal) mode = LinearGradientModeForwardDiagonal;
      if (Params.GradientType == gtBackwardDiagonal) mode = LinearGradientModeBackwardDiagonal;
      TGPLinearGradientBrush brush(grown, from, to, mode);
      brush.SetGammaCorrection(true);
      fillTarget(&brush);
      if (Params.Mirror) {
        TGPSolidBrush line(from);
        graphics->FillRectangle(&line, r.X, r.Y, r.Width, 1);
      }
      break;
    }
    case gtAngle: {
      TGPLinearGradientBrush brush(grown, from, to, REAL(Params.Angle), true);
      brush.SetGammaCorrection(true);
      fillTarget(&brush);
      break;
    }
    case gtHatch: {
      TGPHatchBrush brush(Params.HatchStyle, from, to);
      fillTarget(&brush);
      break;
    }
    case gtTexture:
      if (Params.Texture) {
        if (usePath)
          Params.Texture->FillPath(graphics, Params.Path);
        else
          Params.Texture->FillRect(graphics, r);
      }
      break;
    case gtRadial:
    case gtPath:
    case gtNone:
      break;
  }

  if (Params.BorderColor != clNone) {
    TGPPen pen(ColorToArgbWithAlpha(Params.OpacityFrom, Params.BorderColor), REAL(Params.BorderWidth));
    pen.SetDashStyle(Params.BorderStyle);
    if (usePath)
      graphics->DrawPath(&pen, Params.Path);
    else
      graphics->DrawRectangle(&pen, r);
  }
}

}  // namespace KitGDIP
