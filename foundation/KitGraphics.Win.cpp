#include "foundation/KitGraphics.Win.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QLoggingCategory>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <map>
#include <new>

#include "foundation/KitGDIPlusClasses.h"
#include "foundation/KitUtils.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"

using namespace KitGDIPlusClasses;

namespace {

std::atomic<int> gDecodedPictures{0};

TGPRectF GPRect(const TRectF& r) { return MakeRectF(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top); }
TGPPointF GPPoint(const TPointF& p) { return MakePointF(p.X, p.Y); }

std::vector<TGPPointF> GPPoints(const TKitGraphicsPathPolygon& APolygon) {
  std::vector<TGPPointF> points;
  points.reserve(APolygon.size());
  for (const TPointF& p : APolygon) points.push_back(GPPoint(p));
  return points;
}

std::unique_ptr<TGPSolidBrush> CreateGPSolidBrush(TKitGraphicsFont* AFont) {
  return std::make_unique<TGPSolidBrush>(MakeGPColor(AFont->Color(), 1));
}

std::unique_ptr<TGPFont> CreateGPFont(TKitGraphicsFont* AFont) {
  QString name = AFont->Name();
  if (name.isEmpty() || name.compare(QLatin1String("DEFAULT"), Qt::CaseInsensitive) == 0)
    name = QStringLiteral("Arial");
  int size = AFont->Size();
  if (size == 0) size = 8;
  INT style = 0;
  const TFontStyles s = AFont->Style();
  if (s.Contains(fsBold)) style |= 1;
  if (s.Contains(fsItalic)) style |= 2;
  if (s.Contains(fsUnderline)) style |= 4;
  if (s.Contains(fsStrikeOut)) style |= 8;
  return std::make_unique<TGPFont>(name, REAL(std::abs(size)), style, UnitPoint);
}

std::unique_ptr<TGPPen> CreateGPPen(TKitGraphicsStroke* AStroke) {
  auto pen = std::make_unique<TGPPen>(MakeGPColor(AStroke->Color(), AStroke->Opacity()), AStroke->Width());
  switch (AStroke->Kind()) {
    case gskSolid: pen->SetDashStyle(DashStyleSolid); break;
    case gskDash: pen->SetDashStyle(DashStyleDash); break;
    case gskDot: pen->SetDashStyle(DashStyleDot); break;
    case gskDashDot: pen->SetDashStyle(DashStyleDashDot); break;
    case gskDashDotDot: pen->SetDashStyle(DashStyleDashDotDot); break;
    case gskNone: break;
  }
  pen->SetLineCap(LineCapFlat, LineCapFlat, DashCapFlat);
  pen->SetLineJoin(LineJoinMiterClipped);
  pen->SetMiterLimit(4);
  return pen;
}

std::unique_ptr<TGPStringFormat> CreateGPStringFormat(TKitGraphicsTextAlign AHorizontalAlign,
                                                      TKitGraphicsTextAlign AVerticalAlign, bool AWordWrapping,
                                                      bool AShowAcceleratorChar, TKitGraphicsTextTrimming ATrimming) {
  auto format = std::make_unique<TGPStringFormat>(0, 0);
  auto align = [](TKitGraphicsTextAlign a) {
    switch (a) {
      case gtaCenter: return StringAlignmentCenter;
      case gtaLeading: return StringAlignmentNear;
      case gtaTrailing: return StringAlignmentFar;
    }
    return StringAlignmentNear;
  };
  format->SetAlignment(align(AHorizontalAlign));
  format->SetLineAlignment(align(AVerticalAlign));
  format->SetFormatFlags(AWordWrapping ? 0x4000 : 0x5000);
  if (ATrimming == gttCharacter) format->SetTrimming(StringTrimmingCharacter);
  if (ATrimming == gttWord) format->SetTrimming(StringTrimmingWord);
  format->SetHotkeyPrefix(AShowAcceleratorChar ? HotkeyPrefixShow : HotkeyPrefixNone);
  return format;
}

// The picture as a GDI+ image: saved into memory, loaded by GDI+ from there,
// and for raster pictures copied into a 32-bit ARGB bitmap.
std::unique_ptr<TGPImage> LoadGPImage(TGraphic* ABitmap) {
  if (auto* bitmap = dynamic_cast<TBitmap*>(ABitmap); bitmap && bitmap->Transparent()) {
    // A bitmap with a transparent colour: that colour becomes transparent
    // pixels (a saved bitmap file would lose it).
    QImage image = bitmap->ToImage().convertToFormat(QImage::Format_ARGB32);
    const QRgb key = QRgb(ColorToRGB(bitmap->TransparentColor()));
    const int kr = int(key & 0xFF), kg = int((key >> 8) & 0xFF), kb = int((key >> 16) & 0xFF);
    for (int y = 0; y < image.height(); ++y) {
      auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x)
        if (qRed(row[x]) == kr && qGreen(row[x]) == kg && qBlue(row[x]) == kb) row[x] = 0;
    }
    TGPBitmap wrapped(image.width(), image.height(), INT(image.bytesPerLine()), PixelFormat32bppARGB, image.bits());
    auto copy = std::make_unique<TGPBitmap>(image.width(), image.height(), PixelFormat32bppARGB);
    {
      TGPGraphics g(copy.get());
      g.DrawImage(&wrapped, 0, 0, image.width(), image.height());
    }
    ++gDecodedPictures;
    return copy;
  }
  TMemoryStream stream;
  ABitmap->SaveToStream(&stream);
  TMemoryStream block;
  try {
    block.SetSize(stream.Size());
  } catch (const std::bad_alloc&) {
    throw Exception(QStringLiteral("Could not allocate memory for image"));
  } catch (const EOutOfMemory&) {
    throw Exception(QStringLiteral("Could not allocate memory for image"));
  }
  stream.SetPosition(0);
  block.CopyFrom(&stream, stream.Size());
  block.SetPosition(0);
  auto image = std::make_unique<TGPImage>(&block);
  ++gDecodedPictures;
  if (image->GetType() != ImageTypeBitmap) return image;
  const INT w = INT(image->GetWidth()), h = INT(image->GetHeight());
  auto copy = std::make_unique<TGPBitmap>(w, h, PixelFormat32bppARGB);
  {
    TGPGraphics g(copy.get());
    g.DrawImage(image.get(), 0, 0, w, h);
  }
  return copy;
}

// Decoded pictures of one context, by picture and content version.
struct TPictureCache {
  struct Key {
    uint64_t Serial, Version;
    auto operator<=>(const Key&) const = default;
  };
  std::map<Key, std::unique_ptr<TGPImage>> Images;
};

std::map<const TKitGraphicsContextWin*, TPictureCache>& Caches() {
  static std::map<const TKitGraphicsContextWin*, TPictureCache> caches;
  return caches;
}

constexpr size_t kPictureCacheSize = 16;

}  // namespace

uint32_t MakeGPColor(TColor AColor, float AOpacity) {
  if (AColor == gcNoColor) return 0;
  const TColor c = ColorToRGB(AColor);
  double a = std::isnan(AOpacity) ? 0.0 : double(Round(double(AOpacity) * 255));
  a = std::clamp(a, 0.0, 255.0);
  return MakeArgb(uint8_t(a), TKitGraphics::GetColorRed(c), TKitGraphics::GetColorGreen(c),
                  TKitGraphics::GetColorBlue(c));
}

TKitGraphicsContextFactory GetNativeContextClass() {
  return [](TKitGraphics* AGraphics) { return std::make_unique<TKitGraphicsContextWin>(AGraphics); };
}

int TKitGraphicsContextWin::DecodedPictureCount() { return gDecodedPictures; }

// ---------------------------------------------------------------------------
// Construction

TKitGraphicsContextWin::TKitGraphicsContextWin(TKitGraphics* AGraphics) : TKitGraphicsContext(AGraphics) {
  if (GdiPlusLibraryHandle == nullptr || GdiPlusToken == 0) InitializeKitGDIPlusClasses();
  FScale = TKitUtils::GetDPIScale(nullptr);
  FNeedsRendering = true;
  FContextSize = TSizeF(0, 0);
  FFont = std::make_unique<TKitGraphicsFont>();
  FStroke = std::make_unique<TKitGraphicsStroke>(gskSolid, 0xC0C0C0);
  FFill = std::make_unique<TKitGraphicsFill>(gfkSolid, 0xFFFFFF);
  FFont->OnChanged = [this](TObject*) { FontChanged(); };
  FStroke->OnChanged = [this](TObject*) { StrokeChanged(); };
  FFill->OnChanged = [this](TObject*) { FillChanged(); };
  FontChanged();
  StrokeChanged();
  FillChanged();
}

TKitGraphicsContextWin::~TKitGraphicsContextWin() {
  Render();
  FFont->OnChanged = nullptr;
  FFill->OnChanged = nullptr;
  FStroke->OnChanged = nullptr;
  FGPPen.reset();
  FGPBrush.reset();
  FGPFont.reset();
  FGPStringFormat.reset();
  FTextMatrix.reset();
  ReleaseGraphics();
  Caches().erase(this);
}

void TKitGraphicsContextWin::FontChanged() { FGPFont = CreateGPFont(FFont.get()); }
void TKitGraphicsContextWin::StrokeChanged() { FGPPen = CreateGPPen(FStroke.get()); }
void TKitGraphicsContextWin::FillChanged() {
  TGPGraphicsPath path(FillModeAlternate);
  path.AddRectangle(MakeRectF(0, 0, FContextSize.cx, FContextSize.cy));
  FGPBrush = CreateGPFillBrush(FFill.get(), &path);
}

void* TKitGraphicsContextWin::GetNativeCanvas() { return FGPGraphics.get(); }

void* TKitGraphicsContextWin::CreatePath() { return new TGPGraphicsPath(FillModeAlternate); }

TColor TKitGraphicsContextWin::GetFillColor() { return Graphics() ? Graphics()->Fill()->Color() : FFill->Color(); }

// ---------------------------------------------------------------------------
// Drawing object

void TKitGraphicsContextWin::ReleaseGraphics() {
  if (FGPGraphics) {
    FGPGraphics->Restore(FSaveGP);
    FGPGraphics->Flush();
    FGPGraphics.reset();
  }
  FGPBitmap.reset();
  FBitmap.reset();
}

void TKitGraphicsContextWin::SetSize(float AWidth, float AHeight) {
  FContextSize = TSizeF(AWidth, AHeight);
  ReleaseGraphics();
  TCanvas* canvas = Canvas();
  if (canvas == nullptr) return;
  HDC dc = canvas->Handle();
  if (dc == nullptr) return;
  FGPGraphics = std::make_unique<TGPGraphics>(dc);
  FSaveGP = FGPGraphics->Save();
}

void TKitGraphicsContextWin::Render() {
  if (!FNeedsRendering) return;
  FNeedsRendering = false;
  ReleaseGraphics();
}

void TKitGraphicsContextWin::EndScene() {
  if (FGPGraphics) Render();
}

template <class F>
void TKitGraphicsContextWin::OnBaseState(F AChange) {
  if (!FGPGraphics) return;
  FGPGraphics->Restore(FSaveGP);
  AChange();
  FSaveGP = FGPGraphics->Save();
}

void TKitGraphicsContextWin::SetAntiAliasing(bool AAntiAliasing) {
  OnBaseState([&] { FGPGraphics->SetSmoothingMode(AAntiAliasing ? SmoothingModeAntiAlias : SmoothingModeDefault); });
}

void TKitGraphicsContextWin::SetTextQuality(TKitGraphicsTextQuality ATextQuality) {
  OnBaseState([&] {
    switch (ATextQuality) {
      case gtqDefault: FGPGraphics->SetTextRenderingHint(TextRenderingHintSystemDefault); break;
      case gtqAntiAliasing: FGPGraphics->SetTextRenderingHint(TextRenderingHintAntiAlias); break;
      case gtqClearType: FGPGraphics->SetTextRenderingHint(TextRenderingHintClearTypeGridFit); break;
    }
  });
}

// ---------------------------------------------------------------------------
// Transforms, state, clipping

void TKitGraphicsContextWin::RotateTransform(float AAngle) {
  if (FGPGraphics) FGPGraphics->RotateTransform(AAngle, MatrixOrderPrepend);
}
void TKitGraphicsContextWin::ScaleTransform(float AX, float AY) {
  if (FGPGraphics) FGPGraphics->ScaleTransform(AX, AY, MatrixOrderPrepend);
}
void TKitGraphicsContextWin::TranslateTransform(float AX, float AY) {
  if (FGPGraphics) FGPGraphics->TranslateTransform(AX, AY, MatrixOrderPrepend);
}
void TKitGraphicsContextWin::ResetTransform() {
  OnBaseState([] {});
}

TKitGraphicsMatrix TKitGraphicsContextWin::GetMatrix() {
  TKitGraphicsMatrix m = TKitGraphicsMatrix::Identity();
  if (!FGPGraphics) return m;
  TGPMatrix gm;
  FGPGraphics->GetTransform(&gm);
  TMatrixArray e{};
  if (gm.GetElements(e) != Ok) return m;
  m.m11 = e[0];
  m.m12 = e[1];
  m.m21 = e[2];
  m.m22 = e[3];
  m.m31 = e[4];
  m.m32 = e[5];
  return m;
}

void TKitGraphicsContextWin::SetMatrix(const TKitGraphicsMatrix& AMatrix) {
  if (!FGPGraphics) return;
  TGPMatrix gm(AMatrix.m11, AMatrix.m12, AMatrix.m21, AMatrix.m22, AMatrix.m31, AMatrix.m32);
  FGPGraphics->SetTransform(&gm);
}

void TKitGraphicsContextWin::SaveState(TKitGraphicsSaveState* AState) {
  if (FGPGraphics && AState) AState->SetCustomSaveDC(NativeUInt(FGPGraphics->Save()));
}

void TKitGraphicsContextWin::RestoreState(TKitGraphicsSaveState* AState) {
  if (FGPGraphics && AState) FGPGraphics->Restore(GraphicsState(AState->CustomSaveDC()));
}

void TKitGraphicsContextWin::ClipRect(const TRectF& ARect) {
  if (FGPGraphics) FGPGraphics->SetClip(GPRect(ARect), CombineModeReplace);
}

void TKitGraphicsContextWin::ClipPath(TKitGraphicsPath* APath) {
  if (!FGPGraphics || !APath) return;
  std::unique_ptr<TGPGraphicsPath> path(static_cast<TGPGraphicsPath*>(ConvertToPath(APath, 0.25f)));
  if (APath->FillRule() == pfrWinding) path->SetFillMode(FillModeWinding);
  FGPGraphics->SetClip(path.get(), CombineModeReplace);
}

void TKitGraphicsContextWin::ResetClip() {
  if (FGPGraphics) FGPGraphics->ResetClip();
}

// ---------------------------------------------------------------------------
// Setters

void TKitGraphicsContextWin::SetFill(TKitGraphicsFill* AFill) {
  if (AFill && AFill != FFill.get()) FFill->Assign(AFill);
}
void TKitGraphicsContextWin::SetFillKind(TKitGraphicsFillKind AKind) { FFill->SetKind(AKind); }
void TKitGraphicsContextWin::SetFillColor(TColor AColor) { FFill->SetColor(AColor); }
void TKitGraphicsContextWin::SetStroke(TKitGraphicsStroke* AStroke) {
  if (AStroke && AStroke != FStroke.get()) FStroke->Assign(AStroke);
}
void TKitGraphicsContextWin::SetStrokeKind(TKitGraphicsStrokeKind AKind) { FStroke->SetKind(AKind); }
void TKitGraphicsContextWin::SetStrokeColor(TColor AColor) { FStroke->SetColor(AColor); }
void TKitGraphicsContextWin::SetStrokeWidth(float AWidth) { FStroke->SetWidth(AWidth); }
void TKitGraphicsContextWin::SetFont(TKitGraphicsFont* AFont) {
  if (AFont && AFont != FFont.get()) FFont->Assign(AFont);
}
void TKitGraphicsContextWin::SetFontSize(int ASize) { FFont->SetSize(ASize); }
void TKitGraphicsContextWin::SetFontColor(TColor AColor) { FFont->SetColor(AColor); }
void TKitGraphicsContextWin::SetFontName(const QString& AName) { FFont->SetName(AName); }
void TKitGraphicsContextWin::SetFontStyles(TFontStyles AStyle) { FFont->SetStyle(AStyle); }

// ---------------------------------------------------------------------------
// Text

TRectF TKitGraphicsContextWin::SetTextAngle(const TRectF& ARect, float AAngle) {
  if (!FGPGraphics || AAngle == 0) return ARect;
  FTextMatrix = std::make_unique<TGPMatrix>();
  FGPGraphics->GetTransform(FTextMatrix.get());
  const float w = ARect.Width(), h = ARect.Height();
  TGPMatrix m;
  m.Translate(ARect.Left + w / 2, ARect.Top + h / 2, MatrixOrderPrepend);
  m.Rotate(AAngle, MatrixOrderPrepend);
  FGPGraphics->MultiplyTransform(&m, MatrixOrderPrepend);
  if (h <= w) return TRectF(-w / 2, -h / 2, w / 2, h / 2);
  return TRectF(-h / 2, -w / 2, h / 2, w / 2);
}

void TKitGraphicsContextWin::ResetTextAngle(float AAngle) {
  if (AAngle == 0 || !FTextMatrix) return;
  if (FGPGraphics) FGPGraphics->SetTransform(FTextMatrix.get());
  FTextMatrix.reset();
}

TRectF TKitGraphicsContextWin::CalculateText(const QString& AText, const TRectF& ARect, bool AWordWrapping) {
  if (!FGPGraphics) return TRectF(0, 0, 0, 0);
  auto format = CreateGPStringFormat(gtaLeading, gtaLeading, AWordWrapping, FShowAcceleratorChar, gttNone);
  TGPRectF box{};
  FGPGraphics->MeasureString(AText, -1, FGPFont.get(), GPRect(ARect), format.get(), box);
  return TRectF(box.X, box.Y, box.X + box.Width, box.Y + box.Height);
}

void TKitGraphicsContextWin::DrawText(const QString& AText, const TRectF& ARect, bool AWordWrapping,
                                      TKitGraphicsTextAlign AHorizontalAlign, TKitGraphicsTextAlign AVerticalAlign,
                                      TKitGraphicsTextTrimming ATrimming, float) {
  if (!FGPGraphics) return;
  auto format = CreateGPStringFormat(AHorizontalAlign, AVerticalAlign, AWordWrapping, FShowAcceleratorChar, ATrimming);
  auto brush = CreateGPSolidBrush(FFont.get());
  FGPGraphics->DrawString(AText, -1, FGPFont.get(), GPRect(ARect), format.get(), brush.get());
  const TFontStyles style = FFont->Style();
  if ((style.Contains(fsUnderline) || style.Contains(fsStrikeOut)) && !AWordWrapping && !AText.contains(u'\n') &&
      !AText.contains(u'\r'))
    DrawTextLines(AText, ARect, format.get(), brush.get());
}

// The GDI+ library draws no underline and no strike-out of its own: they are
// drawn here for text on one line, across the laid-out text, at the
// positions the font file gives.
void TKitGraphicsContextWin::DrawTextLines(const QString& AText, const TRectF& ARect, const TGPStringFormat* AFormat,
                                           const TGPBrush* ABrush) {
  TGPRectF box{};
  if (FGPGraphics->MeasureString(AText, -1, FGPFont.get(), GPRect(ARect), AFormat, box) != Ok || box.Width <= 0)
    return;
  TGPFontFamily family;
  if (FGPFont->GetFamily(&family) != Ok) return;
  const INT gpStyle = FGPFont->GetStyle();
  const double em = std::max<UINT16>(1, family.GetEmHeight(gpStyle));
  const double emPixels = FGPFont->GetSize() * FGPGraphics->GetDpiY() / 72.0;
  if (!(emPixels > 0) || emPixels > 4000) return;
  // The library puts the baseline a descent above the laid-out line's
  // bottom, rounded down to whole pixels.
  const double baseline = box.Y + std::ceil(box.Height - emPixels * family.GetCellDescent(gpStyle) / em);
  QFont font(FFont->Name());
  font.setPixelSize(std::max(1, int(std::lround(emPixels))));
  const QFontMetricsF metrics(font);
  const REAL thickness = REAL(std::max(1.0, std::round(metrics.lineWidth())));
  const TFontStyles style = FFont->Style();
  // The box is clipped to the layout rectangle.
  const REAL left = std::max(box.X, ARect.Left), right = std::min(box.X + box.Width, ARect.Right);
  if (right <= left) return;
  if (style.Contains(fsUnderline))
    FGPGraphics->FillRectangle(ABrush, left, REAL(baseline + std::max(1.0, std::round(metrics.underlinePos()))),
                               right - left, thickness);
  if (style.Contains(fsStrikeOut))
    FGPGraphics->FillRectangle(ABrush, left, REAL(std::round(baseline - metrics.strikeOutPos())), right - left,
                               thickness);
}

// ---------------------------------------------------------------------------
// Paths

void TKitGraphicsContextWin::PathOpen(void* APath) {
  if (APath) static_cast<TGPGraphicsPath*>(APath)->StartFigure();
}
void TKitGraphicsContextWin::PathMoveTo(void*, const TPointF& APoint) { FMovePoint = APoint; }
void TKitGraphicsContextWin::PathLineTo(void* APath, const TPointF& APoint) {
  if (APath) static_cast<TGPGraphicsPath*>(APath)->AddLine(GPPoint(FMovePoint), GPPoint(APoint));
  FMovePoint = APoint;
}
void TKitGraphicsContextWin::PathClose(void* APath) {
  if (APath) static_cast<TGPGraphicsPath*>(APath)->CloseFigure();
}

// ---------------------------------------------------------------------------
// Strokes

template <class F>
void TKitGraphicsContextWin::WithPenSmoothing(F ADraw) {
  if (!FGPGraphics) return;
  if (FGPPen->GetDashStyle() == DashStyleSolid) {
    ADraw();
    return;
  }
  FSmoothingMode = FGPGraphics->GetSmoothingMode();
  FGPGraphics->SetSmoothingMode(SmoothingModeDefault);
  ADraw();
  FGPGraphics->SetSmoothingMode(FSmoothingMode);
}

void TKitGraphicsContextWin::DrawLine(TKitGraphicsStroke*, const TPointF& AFromPoint, const TPointF& AToPoint,
                                      TKitGraphicsModifyPointMode, TKitGraphicsModifyPointMode) {
  WithPenSmoothing([&] { FGPGraphics->DrawLine(FGPPen.get(), GPPoint(AFromPoint), GPPoint(AToPoint)); });
}

void TKitGraphicsContextWin::DrawPolygon(TKitGraphicsStroke*, const TKitGraphicsPathPolygon& APolygon) {
  if (APolygon.empty()) return;
  const auto points = GPPoints(APolygon);
  WithPenSmoothing([&] { FGPGraphics->DrawPolygon(FGPPen.get(), points.data(), INT(points.size())); });
}

void TKitGraphicsContextWin::DrawPolyline(TKitGraphicsStroke*, const TKitGraphicsPathPolygon& APolyline) {
  if (APolyline.empty()) return;
  const auto points = GPPoints(APolyline);
  WithPenSmoothing([&] { FGPGraphics->DrawLines(FGPPen.get(), points.data(), INT(points.size())); });
}

void TKitGraphicsContextWin::DrawArc(TKitGraphicsStroke*, const TPointF& ACenter, const TPointF& ARadius,
                                     float AStartAngle, float ASweepAngle) {
  WithPenSmoothing([&] {
    FGPGraphics->DrawArc(FGPPen.get(), ACenter.X - ARadius.X, ACenter.Y - ARadius.Y, 2 * ARadius.X, 2 * ARadius.Y,
                         AStartAngle, ASweepAngle);
  });
}

void TKitGraphicsContextWin::DrawEllipse(TKitGraphicsStroke*, const TRectF& ARect, TKitGraphicsModifyRectMode) {
  WithPenSmoothing([&] {
    FGPGraphics->DrawEllipse(FGPPen.get(), ARect.Left, ARect.Top, ARect.Right - 1 - ARect.Left,
                             ARect.Bottom - 1 - ARect.Top);
  });
}

void TKitGraphicsContextWin::DrawRect(TKitGraphicsStroke* AStroke, const TRectF& ARect, TKitGraphicsSides ASides,
                                      TKitGraphicsModifyRectMode) {
  if (!FGPGraphics) return;
  const float L = ARect.Left, T = ARect.Top, Rr = ARect.Right - 1, B = ARect.Bottom - 1;
  auto line = [&](float x1, float y1, float x2, float y2) {
    DrawLine(AStroke, TPointF(x1, y1), TPointF(x2, y2), gcpmNone, gcpmNone);
  };
  if (ASides.Contains(gsTop)) line(L, T, Rr, T);
  if (ASides.Contains(gsLeft)) line(L, T, L, B);
  if (ASides.Contains(gsBottom)) line(L, B, Rr, B);
  if (ASides.Contains(gsRight)) line(Rr, T, Rr, B);
}

void TKitGraphicsContextWin::BuildRoundedOutline(TKitGraphicsPath& P, const TRectF& ARect, float r,
                                                 TKitGraphicsCorners C) {
  const float L = ARect.Left, T = ARect.Top, Rr = ARect.Right, B = ARect.Bottom;
  if (C.Contains(gcBottomLeft)) {
    P.MoveTo(TPointF(L + r, B));
    P.AddArc(TPointF(L + r, B - r), TPointF(r, r), -270, 90);
    P.LineTo(TPointF(L, B - r));
  } else {
    P.MoveTo(TPointF(L, B));
  }
  if (C.Contains(gcTopLeft)) {
    P.LineTo(TPointF(L, T + r));
    P.AddArc(TPointF(L + r, T + r), TPointF(r, r), -180, 90);
    P.LineTo(TPointF(L + r, T));
  } else {
    P.LineTo(TPointF(L, T));
  }
  if (C.Contains(gcTopRight)) {
    P.LineTo(TPointF(Rr - r, T));
    P.AddArc(TPointF(Rr - r, T + r), TPointF(r, r), -90, 90);
    P.LineTo(TPointF(Rr, T + r));
  } else {
    P.LineTo(TPointF(Rr, T));
  }
  if (C.Contains(gcBottomRight)) {
    P.LineTo(TPointF(Rr, B - r));
    P.AddArc(TPointF(Rr - r, B - r), TPointF(r, r), 0, 90);
    P.LineTo(TPointF(Rr - r, B));
  } else {
    P.LineTo(TPointF(Rr, B));
  }
  P.LineTo(C.Contains(gcBottomLeft) ? TPointF(L + r, B) : TPointF(L, B));
  P.ClosePath();
}

namespace {

// The rounded outline as a GDI+ path of lines and arcs (the figure of
// BuildRoundedOutline, with GDI+ flattening the arcs itself).
void AddRoundedOutline(TGPGraphicsPath& P, const TRectF& ARect, float r, TKitGraphicsCorners C) {
  const float L = ARect.Left, T = ARect.Top, Rr = ARect.Right, B = ARect.Bottom, d = 2 * r;
  P.StartFigure();
  if (C.Contains(gcBottomLeft)) P.AddArc(MakeRectF(L, B - d, d, d), 90, 90);
  else P.AddLine(MakePointF(L, B), MakePointF(L, B));
  if (C.Contains(gcTopLeft)) P.AddArc(MakeRectF(L, T, d, d), 180, 90);
  else P.AddLine(MakePointF(L, T), MakePointF(L, T));
  if (C.Contains(gcTopRight)) P.AddArc(MakeRectF(Rr - d, T, d, d), 270, 90);
  else P.AddLine(MakePointF(Rr, T), MakePointF(Rr, T));
  if (C.Contains(gcBottomRight)) P.AddArc(MakeRectF(Rr - d, B - d, d, d), 0, 90);
  else P.AddLine(MakePointF(Rr, B), MakePointF(Rr, B));
  P.CloseFigure();
}

}  // namespace

void TKitGraphicsContextWin::DrawRoundRect(TKitGraphicsStroke*, const TRectF& ARect, float ARounding,
                                           TKitGraphicsCorners ACorners, TKitGraphicsModifyRectMode) {
  if (!FGPGraphics) return;
  if (ARounding <= 0 || ACorners.Empty()) {
    TKitGraphicsPath path;
    BuildRoundedOutline(path, TRectF(ARect.Left, ARect.Top, ARect.Right - 1, ARect.Bottom - 1), ARounding, ACorners);
    DrawPath(FStroke.get(), &path, pdmPolygon);
    return;
  }
  TGPGraphicsPath path(FillModeAlternate);
  AddRoundedOutline(path, TRectF(ARect.Left, ARect.Top, ARect.Right - 1, ARect.Bottom - 1), ARounding, ACorners);
  WithPenSmoothing([&] { FGPGraphics->DrawPath(FGPPen.get(), &path); });
}

void TKitGraphicsContextWin::DrawPath(TKitGraphicsStroke* AStroke, TKitGraphicsPath* APath,
                                      TKitGraphicsPathDrawMode APathMode) {
  if (!FGPGraphics || !APath) return;
  if (APathMode == pdmPath) {
    std::unique_ptr<TGPGraphicsPath> path(static_cast<TGPGraphicsPath*>(ConvertToPath(APath, 0.25f)));
    WithPenSmoothing([&] { FGPGraphics->DrawPath(FGPPen.get(), path.get()); });
    return;
  }
  TKitGraphicsPathPolygon polygon;
  APath->FlattenToPolygon(polygon, 0.25f);
  if (APathMode == pdmPolygon)
    DrawPolygon(AStroke, polygon);
  else
    DrawPolyline(AStroke, polygon);
}

void TKitGraphicsContextWin::DrawFocusRectangle(TKitGraphicsStroke* AStroke, const TRectF& ARect, TColor AColor,
                                                TKitGraphicsModifyRectMode AModifyRectMode) {
  if (!FGPGraphics) return;
  const INT smoothing = FGPGraphics->GetSmoothingMode();
  FGPGraphics->SetSmoothingMode(SmoothingModeDefault);
  const DashStyle style = FGPPen->GetDashStyle();
  const REAL width = FGPPen->GetWidth();
  ARGB color = 0;
  FGPPen->GetColor(color);
  FGPPen->SetDashStyle(DashStyleDot);
  FGPPen->SetWidth(1);
  FGPPen->SetColor(MakeGPColor(AColor, 1));
  DrawRect(AStroke, ARect, TKitGraphics::AllSides(), AModifyRectMode);
  FGPPen->SetDashStyle(style);
  FGPPen->SetWidth(width);
  FGPPen->SetColor(color);
  FGPGraphics->SetSmoothingMode(smoothing);
}

void TKitGraphicsContextWin::DrawFocusPath(TKitGraphicsStroke* AStroke, TKitGraphicsPath* APath, TColor AColor) {
  if (!FGPGraphics) return;
  const INT smoothing = FGPGraphics->GetSmoothingMode();
  FGPGraphics->SetSmoothingMode(SmoothingModeDefault);
  const DashStyle style = FGPPen->GetDashStyle();
  const REAL width = FGPPen->GetWidth();
  ARGB color = 0;
  FGPPen->GetColor(color);
  FGPPen->SetDashStyle(DashStyleDot);
  FGPPen->SetWidth(1);
  FGPPen->SetColor(MakeGPColor(AColor, 1));
  DrawPath(AStroke, APath, pdmPolygon);
  FGPPen->SetDashStyle(style);
  FGPPen->SetWidth(width);
  FGPPen->SetColor(color);
  FGPGraphics->SetSmoothingMode(smoothing);
}

// ---------------------------------------------------------------------------
// Fills

std::unique_ptr<TGPBrush> TKitGraphicsContextWin::CreateGPFillBrush(TKitGraphicsFill* AFill, TGPGraphicsPath* APath) {
  TGPRectF b{};
  if (APath) APath->GetBounds(b);
  const float opacity = AFill->Opacity();
  if (AFill->Kind() == gfkSolid) return std::make_unique<TGPSolidBrush>(MakeGPColor(AFill->Color(), opacity));
  if (AFill->Kind() != gfkGradient || APath == nullptr) return std::make_unique<TGPSolidBrush>(0u);

  std::vector<ARGB> colors;
  std::vector<REAL> positions;
  if (AFill->GradientMode() == gfgmDefault) {
    if (AFill->ColorMirror() == gcNoColor || AFill->ColorMirrorTo() == gcNoColor) {
      colors = {MakeGPColor(AFill->Color(), opacity), MakeGPColor(AFill->ColorTo(), opacity)};
      positions = {0, 1};
    } else {
      colors = {MakeGPColor(AFill->Color(), opacity), MakeGPColor(AFill->ColorTo(), opacity),
                MakeGPColor(AFill->ColorMirror(), opacity), MakeGPColor(AFill->ColorMirrorTo(), opacity)};
      positions = {0, 0.5f, 0.5f, 1};
    }
  } else {
    TKitGraphicsFillGradientItems* items = AFill->GradientItems();
    const int n = items ? items->Count() : 0;
    bool at0 = false, at1 = false;
    for (int i = 0; i < n; ++i) {
      TKitGraphicsFillGradientItem* item = items->Items(i);
      colors.push_back(MakeGPColor(item->Color(), item->Opacity()));
      positions.push_back(item->Position());
      at0 = at0 || item->Position() == 0;
      at1 = at1 || item->Position() == 1;
    }
    if (n > 0) {
      if (!at0) {
        colors.insert(colors.begin(), colors.front());
        positions.insert(positions.begin(), 0);
      }
      if (!at1) {
        colors.push_back(colors.back());
        positions.push_back(1);
      }
    }
  }

  TGPMatrix matrix(AFill->GradientMatrix().m11, AFill->GradientMatrix().m12, AFill->GradientMatrix().m21,
                   AFill->GradientMatrix().m22, AFill->GradientMatrix().m31, AFill->GradientMatrix().m32);
  if (AFill->GradientType() == gfgtLinear) {
    const TGPRectF wide = MakeRectF(b.X - 1, b.Y - 1, b.Width + 2, b.Height + 2);
    std::unique_ptr<TGPLinearGradientBrush> brush;
    switch (AFill->Orientation()) {
      case gfoHorizontal:
        brush = std::make_unique<TGPLinearGradientBrush>(wide, 0xFF000000u, 0xFFFFFFFFu, LinearGradientModeHorizontal);
        break;
      case gfoVertical:
        brush = std::make_unique<TGPLinearGradientBrush>(wide, 0xFF000000u, 0xFFFFFFFFu, LinearGradientModeVertical);
        break;
      case gfoCustom:
        brush = std::make_unique<TGPLinearGradientBrush>(wide, 0xFF000000u, 0xFFFFFFFFu, AFill->GradientAngle(), false);
        break;
    }
    if (colors.size() >= 2) brush->SetInterpolationColors(colors.data(), positions.data(), INT(colors.size()));
    brush->MultiplyTransform(&matrix, MatrixOrderPrepend);
    return brush;
  }
  auto brush = std::make_unique<TGPPathGradientBrush>(APath);
  if (AFill->GradientCenterColor() != gcNoColor)
    brush->SetCenterColor(MakeGPColor(AFill->GradientCenterColor(), opacity));
  brush->SetCenterPoint(GPPoint(AFill->GradientCenterPoint()));
  if (colors.size() >= 2) {
    // GDI+ runs path gradients from the outline inwards.
    std::vector<ARGB> rc(colors.rbegin(), colors.rend());
    std::vector<REAL> rp;
    for (auto it = positions.rbegin(); it != positions.rend(); ++it) rp.push_back(1 - *it);
    brush->SetInterpolationColors(rc.data(), rp.data(), INT(rc.size()));
  }
  brush->SetTransform(&matrix);
  return brush;
}

void TKitGraphicsContextWin::FillGPPath(TGPGraphicsPath* APath) {
  if (!FGPGraphics) return;
  if (!SolidBrushReady()) FGPBrush = CreateGPFillBrush(FFill.get(), APath);
  // The library fills a path together with a one-pixel outline, half a
  // pixel off, which makes every filled shape a pixel wider and taller;
  // its polygon fill covers the interior exactly. A path of lines is
  // therefore filled as one polygon: its figures joined through the first
  // figure's start, each joining edge run out and back so it adds nothing.
  const INT count = APath->GetPointCount();
  if (count > 0) {
    std::vector<TGPPointF> points(size_t(count), TGPPointF{});
    std::vector<BYTE> types(size_t(count), 0);
    bool lines = APath->GetPathPoints(points.data(), count) == Ok && APath->GetPathTypes(types.data(), count) == Ok;
    for (BYTE t : types)
      if ((t & 0x07) == 3) lines = false;  // curves: the path route
    if (lines) {
      std::vector<TGPPointF> polygon;
      polygon.reserve(size_t(count) * 2 + 4);
      TGPPointF origin = points[0], figure = points[0];
      bool open = false;
      for (INT i = 0; i < count; ++i) {
        if ((types[size_t(i)] & 0x07) == 0) {
          if (open) {
            polygon.push_back(figure);
            polygon.push_back(origin);
          }
          figure = points[size_t(i)];
          open = true;
        }
        polygon.push_back(points[size_t(i)]);
      }
      if (open) polygon.push_back(figure);
      polygon.push_back(origin);
      FGPGraphics->FillPolygon(FGPBrush.get(), polygon.data(), INT(polygon.size()), APath->GetFillMode());
      return;
    }
  }
  FGPGraphics->FillPath(FGPBrush.get(), APath);
}

bool TKitGraphicsContextWin::SolidBrushReady() {
  // A solid fill's brush does not depend on the shape: the one built on the
  // last change of the fill serves every shape without a path.
  if (FFill->Kind() != gfkSolid) return false;
  if (!FGPBrush) FillChanged();
  return FGPBrush != nullptr;
}

void TKitGraphicsContextWin::FillRect(TKitGraphicsFill*, const TRectF& ARect, TKitGraphicsModifyRectMode) {
  if (!FGPGraphics) return;
  if (SolidBrushReady()) {
    FGPGraphics->FillRectangle(FGPBrush.get(), GPRect(ARect));
    return;
  }
  TGPGraphicsPath path(FillModeAlternate);
  path.AddRectangle(GPRect(ARect));
  FillGPPath(&path);
}

void TKitGraphicsContextWin::FillEllipse(TKitGraphicsFill*, const TRectF& ARect, TKitGraphicsModifyRectMode) {
  if (!FGPGraphics) return;
  if (SolidBrushReady()) {
    FGPGraphics->FillEllipse(FGPBrush.get(), GPRect(ARect));
    return;
  }
  TGPGraphicsPath path(FillModeAlternate);
  path.AddEllipse(GPRect(ARect));
  FillGPPath(&path);
}

void TKitGraphicsContextWin::FillArc(TKitGraphicsFill*, const TPointF& ACenter, const TPointF& ARadius,
                                     float AStartAngle, float ASweepAngle) {
  if (!FGPGraphics) return;
  TGPGraphicsPath path(FillModeAlternate);
  path.AddArc(MakeRectF(ACenter.X - ARadius.X, ACenter.Y - ARadius.Y, 2 * ARadius.X, 2 * ARadius.Y), AStartAngle,
              ASweepAngle);
  FillGPPath(&path);
}

void TKitGraphicsContextWin::FillPolygon(TKitGraphicsFill*, const TKitGraphicsPathPolygon& APolygon) {
  if (!FGPGraphics || APolygon.empty()) return;
  const auto points = GPPoints(APolygon);
  if (SolidBrushReady()) {
    FGPGraphics->FillPolygon(FGPBrush.get(), points.data(), INT(points.size()), FillModeAlternate);
    return;
  }
  TGPGraphicsPath path(FillModeAlternate);
  path.AddPolygon(points.data(), INT(points.size()));
  FillGPPath(&path);
}

void TKitGraphicsContextWin::FillPolyline(TKitGraphicsFill* AFill, const TKitGraphicsPathPolygon& APolyline) {
  FillPolygon(AFill, APolyline);
}

void TKitGraphicsContextWin::FillRoundRect(TKitGraphicsFill*, const TRectF& ARect, float ARounding,
                                           TKitGraphicsCorners ACorners, TKitGraphicsModifyRectMode) {
  if (!FGPGraphics) return;
  if (ARounding <= 0 || ACorners.Empty()) {
    TKitGraphicsPath path;
    BuildRoundedOutline(path, ARect, ARounding, ACorners);
    FillPath(FFill.get(), &path, pdmPolygon);
    return;
  }
  TGPGraphicsPath path(FillModeAlternate);
  AddRoundedOutline(path, ARect, ARounding, ACorners);
  FillGPPath(&path);
}

void TKitGraphicsContextWin::FillPath(TKitGraphicsFill* AFill, TKitGraphicsPath* APath,
                                      TKitGraphicsPathDrawMode APathMode) {
  if (!FGPGraphics || !APath) return;
  if (APathMode == pdmPath) {
    std::unique_ptr<TGPGraphicsPath> path(static_cast<TGPGraphicsPath*>(ConvertToPath(APath, 0.25f)));
    if (APath->FillRule() == pfrWinding) path->SetFillMode(FillModeWinding);
    FillGPPath(path.get());
    return;
  }
  TKitGraphicsPathPolygon polygon;
  APath->FlattenToPolygon(polygon, 0.25f);
  if (APathMode == pdmPolygon)
    FillPolygon(AFill, polygon);
  else
    FillPolyline(AFill, polygon);
}

// ---------------------------------------------------------------------------
// Pictures

void TKitGraphicsContextWin::DrawBitmap(TGraphic* ABitmap, const TRectF&, const TRectF& ADstRect, float) {
  if (!FGPGraphics || ABitmap == nullptr || ABitmap->Empty()) return;
  TPictureCache& cache = Caches()[this];
  auto it = cache.Images.find(TPictureCache::Key{ABitmap->Serial(), ABitmap->ChangeCount()});
  if (it == cache.Images.end()) {
    if (cache.Images.size() >= kPictureCacheSize) cache.Images.clear();
    std::unique_ptr<TGPImage> image = LoadGPImage(ABitmap);
    // Keyed by the version after saving: saving may itself count as an
    // access to the picture's pixels.
    it = cache.Images.insert_or_assign(TPictureCache::Key{ABitmap->Serial(), ABitmap->ChangeCount()}, std::move(image))
             .first;
  }
  FGPGraphics->DrawImage(it->second.get(), ADstRect.Left, ADstRect.Top, ADstRect.Width(), ADstRect.Height());
}
