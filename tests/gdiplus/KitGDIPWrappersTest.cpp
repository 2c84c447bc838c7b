// The static GDI+ wrappers: status recording, clones, null arguments,
// getters after failures, bounds checks and the operations the static set
// defines itself.

#include <gtest/gtest.h>

#include <QFontDatabase>

#include <functional>
#include <memory>

#include "gdiplus/KitGDIP.h"
#include "gdiplus/KitGDIPPicture.h"
#include "tests/gdiplus/GdipFixtures.h"

using namespace KitGDIP;
using namespace gdipfixtures;

namespace {

// A wrapper object of some class with a call that fails, a call that
// succeeds, and its GetLastStatus.
struct TStatusCase {
  const char* Name;
  std::function<std::shared_ptr<void>()> Make;
  std::function<TStatus(void*)> Fail;
  TStatus Failure;
  std::function<TStatus(void*)> Succeed;
  std::function<TStatus(void*)> LastStatus;
};

template <class T>
std::function<TStatus(void*)> On(std::function<TStatus(T*)> f) {
  return [f](void* p) { return f(static_cast<T*>(p)); };
}

std::vector<TStatusCase> StatusCases() {
  auto bitmap = std::make_shared<TGPBitmap>(8, 8, PixelFormat32bppPARGB);
  return {
      {"TGPMatrix", [] { return std::make_shared<TGPMatrix>(); },
       On<TGPMatrix>([](TGPMatrix* m) { return m->TransformPoints(static_cast<TGPPointF*>(nullptr), 1); }),
       InvalidParameter, On<TGPMatrix>([](TGPMatrix* m) { return m->Translate(2, 3); }),
       On<TGPMatrix>([](TGPMatrix* m) { return m->GetLastStatus(); })},
      {"TGPImageAttributes", [] { return std::make_shared<TGPImageAttributes>(); },
       On<TGPImageAttributes>([](TGPImageAttributes* a) { return a->SetRemapTable(2, nullptr); }), InvalidParameter,
       On<TGPImageAttributes>([](TGPImageAttributes* a) { return a->SetColorKey(0xFF000000, 0xFF101010); }),
       On<TGPImageAttributes>([](TGPImageAttributes* a) { return a->GetLastStatus(); })},
      {"TGPGraphics", [bitmap] { return std::make_shared<TGPGraphics>(bitmap.get()); },
       On<TGPGraphics>([](TGPGraphics* g) { return g->DrawLine(nullptr, 0, 0, 4, 4); }), InvalidParameter,
       On<TGPGraphics>([](TGPGraphics* g) { return g->SetSmoothingMode(SmoothingModeAntiAlias); }),
       On<TGPGraphics>([](TGPGraphics* g) { return g->GetLastStatus(); })},
      {"TGPPen", [] { return std::make_shared<TGPPen>(ARGB(0xFF000000), 2.0f); },
       On<TGPPen>([](TGPPen* p) { return p->SetBrush(nullptr); }), InvalidParameter,
       On<TGPPen>([](TGPPen* p) { return p->SetDashStyle(DashStyleDot); }),
       On<TGPPen>([](TGPPen* p) { return p->GetLastStatus(); })},
      {"TGPGraphicsPath", [] { return std::make_shared<TGPGraphicsPath>(); },
       On<TGPGraphicsPath>([](TGPGraphicsPath* p) {
         TGPPointF points[4];
         return p->GetPathPoints(points, 4);  // the path holds none
       }),
       InvalidParameter, On<TGPGraphicsPath>([](TGPGraphicsPath* p) { return p->AddLine(0, 0, 5, 5); }),
       On<TGPGraphicsPath>([](TGPGraphicsPath* p) { return p->GetLastStatus(); })},
      {"TGPStringFormat", [] { return std::make_shared<TGPStringFormat>(); },
       On<TGPStringFormat>([](TGPStringFormat* f) { return f->SetAlignment(StringAlignment(77)); }),
       InvalidParameter,
       On<TGPStringFormat>([](TGPStringFormat* f) { return f->SetAlignment(StringAlignmentCenter); }),
       On<TGPStringFormat>([](TGPStringFormat* f) { return f->GetLastStatus(); })},
      {"TGPPathGradientBrush",
       [] {
         TGPGraphicsPath path;
         path.AddEllipse(0, 0, 20, 10);
         return std::make_shared<TGPPathGradientBrush>(&path);
       },
       On<TGPPathGradientBrush>([](TGPPathGradientBrush* b) { return b->SetInterpolationColors(nullptr, nullptr, 0); }),
       InvalidParameter,
       On<TGPPathGradientBrush>([](TGPPathGradientBrush* b) { return b->SetCenterColor(0xFFFF0000); }),
       On<TGPPathGradientBrush>([](TGPPathGradientBrush* b) { return b->GetLastStatus(); })},
  };
}

TEST(KitGDIPStatus, EveryWrapperKeepsAnOldFailureAndGetLastStatusResetsIt) {
  for (const TStatusCase& c : StatusCases()) {
    SCOPED_TRACE(c.Name);
    std::shared_ptr<void> object = c.Make();
    EXPECT_EQ(c.LastStatus(object.get()), Ok) << "the creating call's status is Ok";
    EXPECT_EQ(c.Fail(object.get()), c.Failure) << "a failing call answers its status";
    EXPECT_EQ(c.Succeed(object.get()), Ok) << "a later call succeeds";
    EXPECT_EQ(c.LastStatus(object.get()), c.Failure) << "the old failure is kept";
    EXPECT_EQ(c.LastStatus(object.get()), Ok) << "and answered once";
  }
}

TEST(KitGDIPStatus, ConstructorsStoreTheCreatingStatusAndAdoptingOnesTheGivenStatus) {
  TGPPen pen(static_cast<TGPBrush*>(nullptr), 1.0f);  // a pen needs its brush
  EXPECT_EQ(pen.GetLastStatus(), InvalidParameter);
  TGPBrush plain;
  EXPECT_EQ(plain.GetLastStatus(), NotImplemented);
  TGPBrush adopted(nullptr, WrongState);
  EXPECT_EQ(adopted.GetLastStatus(), WrongState);
  TGPImage image(static_cast<GpImage*>(nullptr), Aborted);
  EXPECT_EQ(image.GetLastStatus(), Aborted);
  TGPFontFamily family(nullptr, FontStyleNotFound);
  EXPECT_EQ(family.Status(), FontStyleNotFound);
  TGPFont font(static_cast<GpFont*>(nullptr), GenericError);
  EXPECT_EQ(font.Status(), GenericError);
  TGPSolidBrush solid(0xFF00FF00);
  EXPECT_EQ(solid.GetLastStatus(), Ok);
}

TEST(KitGDIPStatus, NullObjectsHandedInAnswerInvalidParameter) {
  TGPBitmap bitmap(8, 8, PixelFormat32bppPARGB);
  TGPGraphics g(&bitmap);
  TGPGraphicsPath path;
  path.AddRectangle(TGPRectF{1, 1, 4, 4});
  TGPPen pen(ARGB(0xFF000000));
  TGPSolidBrush brush(0xFF000000);
  TGPFont font(QStringLiteral("DejaVu Sans"), 8);
  const struct {
    const char* Name;
    std::function<TStatus()> Call;
  } cases[] = {
      {"DrawPath pen", [&] { return g.DrawPath(nullptr, &path); }},
      {"DrawPath path", [&] { return g.DrawPath(&pen, nullptr); }},
      {"FillPath brush", [&] { return g.FillPath(nullptr, &path); }},
      {"FillRectangle", [&] { return g.FillRectangle(nullptr, TGPRectF{0, 0, 2, 2}); }},
      {"DrawRectangle", [&] { return g.DrawRectangle(nullptr, TGPRectF{0, 0, 2, 2}); }},
      {"DrawEllipse", [&] { return g.DrawEllipse(nullptr, 0, 0, 2, 2); }},
      {"FillEllipse", [&] { return g.FillEllipse(nullptr, 0, 0, 2, 2); }},
      {"DrawImage", [&] { return g.DrawImage(static_cast<TGPImage*>(nullptr), 0, 0); }},
      {"DrawImageRect", [&] { return g.DrawImageRect(nullptr, 0, 0, 2, 2); }},
      {"DrawString font", [&] { return g.DrawString(QStringLiteral("a"), 1, nullptr, TGPRectF{}, nullptr, &brush); }},
      {"DrawString brush", [&] { return g.DrawString(QStringLiteral("a"), 1, &font, TGPRectF{}, nullptr, nullptr); }},
      {"SetClip region", [&] { return g.SetClip(static_cast<TGPRegion*>(nullptr)); }},
      {"SetTransform", [&] { return g.SetTransform(nullptr); }},
      {"Region union", [&] {
         TGPRegion region(TGPRectF{0, 0, 2, 2});
         return region.Union(nullptr);
       }},
      {"Texture brush", [&] {
         TGPTextureBrush texture(static_cast<TGPImage*>(nullptr));
         return texture.GetLastStatus();
       }},
      {"Path gradient", [&] {
         TGPPathGradientBrush gradient(static_cast<TGPGraphicsPath*>(nullptr));
         return gradient.GetLastStatus();
       }},
      {"Font family", [&] {
         TGPFont f(static_cast<TGPFontFamily*>(nullptr), 10);
         return f.GetLastStatus();
       }},
  };
  for (const auto& c : cases) EXPECT_EQ(c.Call(), InvalidParameter) << c.Name;
}

TEST(KitGDIPStatus, GettersAnswerDefinedValuesAfterAFailedCall) {
  TGPGraphics g(static_cast<TGPImage*>(nullptr));
  EXPECT_EQ(g.GetSmoothingMode(), -1);
  EXPECT_EQ(g.GetCompositingQuality(), -1);
  EXPECT_EQ(g.GetTextRenderingHint(), TextRenderingHintSystemDefault);
  TGPImage image(QByteArray("not an image at all"));
  EXPECT_NE(image.GetLastStatus(), Ok);
  EXPECT_EQ(image.GetWidth(), 0u);
  EXPECT_EQ(image.GetHeight(), 0u);
  EXPECT_EQ(image.GetFormat(), ifUndefined);
  EXPECT_EQ(image.GetPixelFormat(), 0);
  TGPMatrix broken(TGPRectF{0, 0, 1, 1}, nullptr);
  EXPECT_EQ(broken.GetLastStatus(), InvalidParameter);
  EXPECT_EQ(broken.OffsetX(), 0.0f);
  EXPECT_FALSE(broken.IsInvertible());
  TMatrixArray m{1, 2, 3, 4, 5, 6};
  EXPECT_NE(broken.GetElements(m), Ok);
  EXPECT_EQ(m, (TMatrixArray{0, 0, 0, 0, 0, 0}));
  TGPHatchBrush hatch;  // no native brush
  ARGB color = 0x12345678;
  EXPECT_NE(hatch.GetForegroundColor(color), Ok);
  EXPECT_EQ(color, 0u);
  EXPECT_EQ(hatch.GetHatchStyle(), HatchStyleHorizontal);
  TGPStringFormat format(static_cast<TGPStringFormat*>(nullptr));
  EXPECT_EQ(format.GetFormatFlags(), 0);
  EXPECT_EQ(format.GetAlignment(), StringAlignmentNear);
}

TEST(KitGDIPClones, MatrixAttributesAndFormatCopiesAreIndependent) {
  TGPMatrix m(1, 0, 0, 1, 7, 9);
  std::unique_ptr<TGPMatrix> copy(m.Clone());
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->OffsetX(), 7.0f);
  EXPECT_EQ(copy->OffsetY(), 9.0f);
  copy->Translate(1, 1);
  EXPECT_EQ(m.OffsetX(), 7.0f) << "the clone is a copy";

  TGPMatrix broken(TGPRectF{0, 0, 1, 1}, nullptr);
  broken.GetLastStatus();
  EXPECT_EQ(broken.Clone(), nullptr);
  EXPECT_EQ(broken.GetLastStatus(), InvalidParameter) << "the failed copy is recorded";

  TGPImageAttributes attributes;
  std::unique_ptr<TGPImageAttributes> attributesCopy(attributes.Clone());
  ASSERT_TRUE(attributesCopy);
  EXPECT_EQ(attributesCopy->GetLastStatus(), Ok);

  TGPStringFormat format;
  format.SetAlignment(StringAlignmentFar);
  format.SetHotkeyPrefix(HotkeyPrefixShow);
  TGPStringFormat formatCopy(&format);
  EXPECT_EQ(formatCopy.GetAlignment(), StringAlignmentFar);
  EXPECT_EQ(formatCopy.GetHotkeyPrefix(), HotkeyPrefixShow);
  formatCopy.SetAlignment(StringAlignmentNear);
  EXPECT_EQ(format.GetAlignment(), StringAlignmentFar);
}

TEST(KitGDIPBounds, CountsAreCheckedBeforeGdiPlusIsCalled) {
  TGPGraphicsPath path;
  path.AddRectangle(TGPRectF{0, 0, 10, 10});
  const int held = path.GetPointCount();
  ASSERT_EQ(held, 4);
  std::vector<TGPPointF> points(held + 2, TGPPointF{-1, -1});
  EXPECT_EQ(path.GetPathPoints(points.data(), held + 2), InvalidParameter);
  EXPECT_EQ(points[held + 1].X, -1.0f) << "nothing was written";
  EXPECT_EQ(path.GetPathPoints(points.data(), held), Ok);
  EXPECT_EQ(points[2].X, 10.0f);
  std::vector<BYTE> types(held);
  EXPECT_EQ(path.GetPathTypes(types.data(), held + 1), InvalidParameter);
  EXPECT_EQ(path.GetPathTypes(types.data(), held), Ok);
  EXPECT_EQ(path.AddLines(nullptr, 3), InvalidParameter);

  TGPGraphicsPath ellipse;
  ellipse.AddEllipse(0, 0, 20, 10);
  TGPPathGradientBrush brush(&ellipse);
  const int pointsHeld = brush.GetPointCount();
  ASSERT_GT(pointsHeld, 0);
  std::vector<ARGB> colors(pointsHeld + 1, 0xFF00FF00);
  int count = pointsHeld + 1;
  EXPECT_EQ(brush.SetSurroundColors(colors.data(), count), InvalidParameter) << "more colours than points";
  EXPECT_EQ(brush.SetSurroundColors(nullptr, count), InvalidParameter);
  count = 1;
  EXPECT_EQ(brush.SetSurroundColors(colors.data(), count), Ok);
  EXPECT_EQ(count, 1);
  std::vector<ARGB> read(pointsHeld + 1, 0);
  int readCount = 0;
  EXPECT_EQ(brush.GetSurroundColors(read.data(), readCount), InsufficientBuffer) << "room for none";
  readCount = pointsHeld + 1;
  EXPECT_EQ(brush.GetSurroundColors(read.data(), readCount), Ok);
  EXPECT_GE(readCount, 1);
  EXPECT_LE(readCount, pointsHeld);
  EXPECT_EQ(read[0], 0xFF00FF00u);
  EXPECT_EQ(brush.GetSurroundColors(nullptr, readCount), InvalidParameter);

  TGPLinearGradientBrush linear(TGPRectF{0, 0, 10, 10}, 0xFF000000, 0xFFFFFFFF, LinearGradientModeVertical);
  const ARGB blend[2] = {0xFF000000, 0xFFFFFFFF};
  const REAL positions[2] = {0, 1};
  EXPECT_EQ(linear.SetInterpolationColors(blend, positions, 0), InvalidParameter);
  EXPECT_EQ(linear.SetInterpolationColors(blend, positions, 2), Ok);
}

TEST(KitGDIPMatrix, RotateAtKeepsTheCentreFixedInBothOrders) {
  for (MatrixOrder order : {MatrixOrderPrepend, MatrixOrderAppend}) {
    TGPMatrix m;
    m.Translate(10, 0);
    m.RotateAt(90, TGPPointF{5, 5}, order);
    TGPPointF points[2] = {{5, 5}, {6, 5}};
    ASSERT_EQ(m.TransformPoints(points, 2), Ok);
    if (order == MatrixOrderPrepend) {
      // Rotation about (5,5) first, then the translation.
      EXPECT_NEAR(points[0].X, 15, 1e-4);
      EXPECT_NEAR(points[0].Y, 5, 1e-4);
      EXPECT_NEAR(points[1].X, 15, 1e-4);
      EXPECT_NEAR(points[1].Y, 6, 1e-4);
    } else {
      // The translation first, then the rotation about (5,5).
      EXPECT_NEAR(points[0].X, 5, 1e-4);
      EXPECT_NEAR(points[0].Y, 15, 1e-4);
    }
  }
  TGPMatrix m(2, 0, 0, 2, 3, 4);
  m.Reset();
  EXPECT_TRUE(m.IsIdentity());
  m.Scale(0, 1);
  EXPECT_FALSE(m.IsInvertible());
  EXPECT_NE(m.Invert(), Ok);
}

TEST(KitGDIPPen, GetBrushWrapsTheFillTypeAsItsOwnClass) {
  TGPBitmap tile(4, 4);
  TGPGraphicsPath ellipse;
  ellipse.AddEllipse(0, 0, 10, 10);
  struct {
    const char* Name;
    std::shared_ptr<TGPBrush> Brush;
    std::function<bool(TGPBrush*)> IsKind;
    int PenType;
  } cases[] = {
      {"solid", std::make_shared<TGPSolidBrush>(0xFF112233),
       [](TGPBrush* b) { return dynamic_cast<TGPSolidBrush*>(b) != nullptr; }, PenTypeSolidColor},
      {"hatch", std::make_shared<TGPHatchBrush>(HatchStyleCross, 0xFF000000, 0xFFFFFFFF),
       [](TGPBrush* b) { return dynamic_cast<TGPHatchBrush*>(b) != nullptr; }, PenTypeHatchFill},
      {"texture", std::make_shared<TGPTextureBrush>(&tile),
       [](TGPBrush* b) { return dynamic_cast<TGPTextureBrush*>(b) != nullptr; }, PenTypeTextureFill},
      {"linear", std::make_shared<TGPLinearGradientBrush>(TGPPointF{0, 0}, TGPPointF{5, 5}, 0xFF000000, 0xFFFFFFFF),
       [](TGPBrush* b) { return dynamic_cast<TGPLinearGradientBrush*>(b) != nullptr; }, PenTypeLinearGradient},
      {"path gradient", std::make_shared<TGPPathGradientBrush>(&ellipse),
       [](TGPBrush* b) { return typeid(*b) == typeid(TGPBrush); }, PenTypePathGradient},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TGPPen pen(c.Brush.get(), 3);
    EXPECT_EQ(pen.GetPenType(), c.PenType);
    std::unique_ptr<TGPBrush> brush(pen.GetBrush());
    ASSERT_TRUE(brush);
    EXPECT_TRUE(c.IsKind(brush.get()));
    EXPECT_EQ(brush->GetLastStatus(), Ok);
  }
  TGPPen colour(0xFF445566, 2);
  std::unique_ptr<TGPBrush> solid(colour.GetBrush());
  auto* asSolid = dynamic_cast<TGPSolidBrush*>(solid.get());
  ASSERT_TRUE(asSolid);
  ARGB c = 0;
  EXPECT_EQ(asSolid->GetColor(c), Ok);
  EXPECT_EQ(c, 0xFF445566u);
  EXPECT_EQ(colour.GetWidth(), 2.0f);
  EXPECT_EQ(colour.GetDashStyle(), DashStyleSolid);
}

TEST(KitGDIPImage, FormatsAreToldApartByTheirRawFormat) {
  const QImage q = Quadrants(20, 10);
  struct {
    const char* Name;
    QByteArray Bytes;
    TGPImageFormat Format;
    int W, H;
  } cases[] = {
      {"png", Png(q), ifPNG, 20, 10},
      {"jpeg", Jpeg(q), ifJPEG, 20, 10},
      {"bmp", Bmp(q), ifBMP, 20, 10},
      {"gif", Gif(TGifOptions{20, 10, {10, 20}}), ifGIF, 20, 10},
      {"tiff", Tiff(q), ifTIFF, 20, 10},
      {"tiff big-endian", Tiff(q, true), ifTIFF, 20, 10},
      {"ico", Ico(q), ifIcon, 20, 10},
      {"wmf", Wmf(20, 10), ifWMF, 300, 150},  // logical units at 1440 per inch
      {"emf", Emf(20, 10), ifEMF, 20, 10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TGPImage image(c.Bytes);
    ASSERT_EQ(image.GetLastStatus(), Ok);
    EXPECT_EQ(image.GetFormat(), c.Format);
    EXPECT_EQ(image.Width(), c.W);
    EXPECT_EQ(image.Height(), c.H);
  }
  TGPImage gif(Gif(TGifOptions{20, 10, {10, 20, 30}}));
  EXPECT_EQ(gif.GetFrameCount(), 3u);
  TGPImage png(Png(q));
  EXPECT_TRUE(png.HasAlphaChannel());
  EXPECT_EQ(png.GetPixelDepth(), 32);
  TGPImage gifPalette(Gif(TGifOptions{}));
  EXPECT_TRUE(gifPalette.HasPalette());
}

TEST(KitGDIPImage, SaveAndLoadThroughStreams) {
  TGPImage source(Png(Quadrants(32, 16)));
  for (const CLSID* encoder : {&GdiplusEncoderPng, &GdiplusEncoderBmp, &GdiplusEncoderJpeg, &GdiplusEncoderTiff}) {
    TMemoryStream stream;
    ASSERT_EQ(source.Save(&stream, *encoder), Ok);
    ASSERT_GT(stream.Size(), 0);
    stream.SetPosition(0);
    TGPBitmap loaded(&stream);
    EXPECT_EQ(loaded.GetLastStatus(), Ok);
    EXPECT_EQ(loaded.Width(), 32);
    EXPECT_EQ(loaded.Height(), 16);
    ARGB pixel = 0;
    ASSERT_EQ(loaded.GetPixel(4, 4, pixel), Ok);
    EXPECT_TRUE(Near(QColor::fromRgba(pixel), QColor(255, 0, 0), encoder == &GdiplusEncoderJpeg ? 40 : 0))
        << std::hex << pixel;
  }
  TGPImage missing(QStringLiteral("/nonexistent/picture.png"));
  EXPECT_EQ(missing.GetLastStatus(), FileNotFound);
  std::unique_ptr<TGPImage> thumb(source.GetThumbnailImage(6, 4));
  EXPECT_EQ(thumb->GetLastStatus(), Ok);
  EXPECT_EQ(thumb->Width(), 6);
}

TEST(KitGDIPFonts, FamiliesTheSystemLacksAreNotFoundAndTheGenericOnesAreShared) {
  TGPFontFamily present(QStringLiteral("DejaVu Sans"));
  EXPECT_EQ(present.Status(), Ok);
  QString name;
  EXPECT_EQ(present.GetFamilyName(name), Ok);
  EXPECT_EQ(name, QStringLiteral("DejaVu Sans"));
  TGPFontFamily missing(QStringLiteral("No Such Family Anywhere"));
  EXPECT_EQ(missing.Status(), FontFamilyNotFound);
  EXPECT_FALSE(missing.IsAvailable());
  EXPECT_EQ(TGPFontFamily::GenericSansSerif(), TGPFontFamily::GenericSansSerif());
  EXPECT_NE(TGPFontFamily::GenericSerif(), TGPFontFamily::GenericSansSerif());
  EXPECT_TRUE(TGPFontFamily::GenericMonospace()->IsAvailable());

  // A font by a missing family name falls back to the generic sans serif.
  TGPFont fallback(QStringLiteral("No Such Family Anywhere"), 11, TFontStyles{fsBold});
  EXPECT_EQ(fallback.Status(), Ok);
  EXPECT_EQ(fallback.GetSize(), 11.0f);
  EXPECT_EQ(fallback.GetStyle(), FontStyleBold);
  TGPFontFamily family;
  EXPECT_EQ(fallback.GetFamily(&family), Ok);
  EXPECT_EQ(family.GetFamilyName(name), Ok);
  QString generic;
  TGPFontFamily::GenericSansSerif()->GetFamilyName(generic);
  EXPECT_EQ(name, generic);
  EXPECT_EQ(fallback.GetFamily(nullptr), InvalidParameter);
  EXPECT_LE(generic.size(), 31);
}

}  // namespace

namespace {

TEST(KitGDIPJSON, WrappersWriteTheirPublishedValues) {
  TGPImage image(Png(Quadrants(12, 7)));
  const QString json = image.ToJSON();
  EXPECT_TRUE(json.startsWith(QStringLiteral("{\"$type\":\"TGPImage\""))) << json.toStdString();
  EXPECT_TRUE(json.contains(QStringLiteral("\"Width\":12"))) << json.toStdString();
  EXPECT_TRUE(json.contains(QStringLiteral("\"Height\":7"))) << json.toStdString();
  TGPFont font(static_cast<GpFont*>(nullptr), FontFamilyNotFound);
  EXPECT_TRUE(font.JSON().contains(QStringLiteral("\"Status\":14"))) << font.JSON().toStdString();
  TGPPen pen(ARGB(0xFF000000));
  EXPECT_EQ(pen.ToJSON({QStringLiteral("Anything")}), QStringLiteral("{\"$type\":\"TGPPen\"}"));
  EXPECT_NO_THROW(pen.FromJSON(QStringLiteral("{}")));
}

}  // namespace
