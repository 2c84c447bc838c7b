// The objects of the run-time GDI+ binding one by one: matrices, regions,
// string formats, custom line caps, font families and fonts, paths, images
// and bitmaps.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QTemporaryDir>

#include <cmath>
#include <vector>

#include "platform/rtl/Streams.h"
#include "tests/foundation/KitGDIPlusTestSupport.h"

namespace gdiptest {
namespace {

using GdipObjects = GdipTest;

TGPPointF Mapped(TGPMatrix& m, TGPPointF p) {
  m.TransformPoints(&p);
  return p;
}

void ExpectPoint(TGPPointF p, float x, float y) {
  EXPECT_NEAR(p.X, x, 1e-4) << "y " << p.Y;
  EXPECT_NEAR(p.Y, y, 1e-4) << "x " << p.X;
}

// ---------------------------------------------------------------------------
// Matrices

TEST_F(GdipObjects, MatrixOperationsCompose) {
  TGPMatrix m;
  EXPECT_TRUE(m.IsIdentity());
  EXPECT_EQ(m.Rotate(30), Ok);
  EXPECT_FALSE(m.IsIdentity());
  EXPECT_EQ(m.Reset(), Ok);
  EXPECT_TRUE(m.IsIdentity());

  TGPMatrix t;
  t.Translate(5, 7);
  EXPECT_EQ(t.OffsetX(), 5.0f);
  EXPECT_EQ(t.OffsetY(), 7.0f);

  // Prepend applies the new operation first, append last.
  TGPMatrix prepend, append;
  prepend.Scale(2, 2);
  prepend.Translate(1, 0, MatrixOrderPrepend);
  append.Scale(2, 2);
  append.Translate(1, 0, MatrixOrderAppend);
  ExpectPoint(Mapped(prepend, {1, 1}), 4, 2);
  ExpectPoint(Mapped(append, {1, 1}), 3, 2);

  // A rectangle mapped onto a parallelogram.
  const TGPPointF plg[3] = {{10, 20}, {30, 20}, {10, 25}};
  TGPMatrix fit(TGPRectF{0, 0, 10, 10}, plg);
  ExpectPoint(Mapped(fit, {10, 10}), 30, 25);
  const TGPPoint plgI[3] = {{0, 0}, {0, 10}, {-10, 0}};  // a quarter turn
  TGPMatrix turn(TGPRect{0, 0, 10, 10}, plgI);
  ExpectPoint(Mapped(turn, {10, 0}), 0, 10);

  // Vectors ignore the translation.
  TGPPointF v{1, 0};
  t.TransformVectors(&v);
  ExpectPoint(v, 1, 0);
  TGPPoint pi[2] = {{1, 1}, {2, 2}};
  EXPECT_EQ(t.TransformPoints(pi, 2), Ok);
  EXPECT_EQ(pi[1].X, 7);
  EXPECT_EQ(pi[1].Y, 9);

  TGPMatrix singular(1, 2, 2, 4, 0, 0);
  EXPECT_FALSE(singular.IsInvertible());
  EXPECT_NE(singular.Invert(), Ok);
  EXPECT_NE(singular.GetLastStatus(), Ok);
  TGPMatrix shear;
  shear.Shear(1, 0);
  ExpectPoint(Mapped(shear, {0, 2}), 2, 2);
  EXPECT_TRUE(shear.IsInvertible());
  EXPECT_EQ(shear.Invert(), Ok);
  ExpectPoint(Mapped(shear, {2, 2}), 0, 2);

  TGPMatrix product;
  product.Multiply(&t);
  EXPECT_TRUE(product.IsEqual(&t));
  EXPECT_EQ(product.SetElements(1, 0, 0, 1, 0, 0), Ok);
  EXPECT_TRUE(product.IsIdentity());
}

TEST_F(GdipObjects, RotateAtTurnsAboutItsCentre) {
  TGPMatrix prepend;
  EXPECT_EQ(prepend.RotateAt(90, TGPPointF{10, 0}, MatrixOrderPrepend), Ok);
  ExpectPoint(Mapped(prepend, {10, 0}), 10, 0);  // the centre stays
  ExpectPoint(Mapped(prepend, {11, 0}), 10, 1);  // clockwise on screen

  // Appended after a translation by (3, 0): the point that lands on the
  // centre stays there.
  TGPMatrix append;
  append.Translate(3, 0);
  EXPECT_EQ(append.RotateAt(90, TGPPointF{10, 0}, MatrixOrderAppend), Ok);
  ExpectPoint(Mapped(append, {7, 0}), 10, 0);
  ExpectPoint(Mapped(append, {8, 0}), 10, 1);
}

// ---------------------------------------------------------------------------
// Regions

TEST_F(GdipObjects, RegionsCombineByMode) {
  struct Case {
    const char* name;
    Status (TGPRegion::*combine)(const TGPRect&);
    bool first, both, second;  // (2, 2) only in the first, (7, 7) in both, (12, 12) only in the second
  };
  const Case cases[] = {
      {"intersect", &TGPRegion::Intersect, false, true, false},
      {"union", &TGPRegion::Union, true, true, true},
      {"xor", &TGPRegion::Xor_, true, false, true},
      {"exclude", &TGPRegion::Exclude, true, false, false},
      {"complement", &TGPRegion::Complement, false, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TGPRegion region(TGPRect{0, 0, 10, 10});
    EXPECT_EQ((region.*c.combine)(TGPRect{5, 5, 10, 10}), Ok);
    EXPECT_EQ(region.IsVisible(2, 2), c.first);
    EXPECT_EQ(region.IsVisible(7, 7), c.both);
    EXPECT_EQ(region.IsVisible(12, 12), c.second);
    EXPECT_EQ(region.IsVisible(TGPPointF{7.5f, 7.5f}), c.both);
  }
  // Float rectangles, paths and regions combine the same way.
  TGPRegion a(TGPRectF{0, 0, 10, 10});
  TGPGraphicsPath circle;
  circle.AddEllipse(20, 0, 10, 10);
  EXPECT_EQ(a.Union(&circle), Ok);
  EXPECT_TRUE(a.IsVisible(25, 5));
  EXPECT_FALSE(a.IsVisible(20, 0));  // outside the circle's curve
  TGPRegion hole(TGPRectF{2, 2, 2, 2});
  EXPECT_EQ(a.Exclude(&hole), Ok);
  EXPECT_FALSE(a.IsVisible(3, 3));
  EXPECT_TRUE(a.IsVisible(TGPRect{5, 5, 2, 2}));
}

TEST_F(GdipObjects, RegionQueriesAnswerForTheGraphics) {
  Surface s;
  TGPRegion region(TGPRect{2, 3, 4, 5});
  TGPRect bounds{};
  EXPECT_EQ(region.GetBounds(bounds, &s.g()), Ok);
  EXPECT_EQ(bounds.X, 2);
  EXPECT_EQ(bounds.Height, 5);
  TGPRectF boundsF{};
  EXPECT_EQ(region.GetBounds(boundsF, &s.g()), Ok);
  EXPECT_EQ(boundsF.Width, 4.0f);
  EXPECT_FALSE(region.IsEmpty(&s.g()));
  EXPECT_FALSE(region.IsInfinite(&s.g()));
  std::unique_ptr<TGPRegion> copy = region.Clone();
  EXPECT_TRUE(region.IsEqual(copy.get(), &s.g()));
  copy->Translate(1, 0);
  EXPECT_FALSE(region.IsEqual(copy.get(), &s.g()));
  copy->Translate(-0.5f, 0.0f);
  EXPECT_TRUE(copy->IsVisible(2.6f, 3.5f));
  EXPECT_FALSE(copy->IsVisible(2.4f, 3.5f));
  TGPMatrix twice;
  twice.Scale(2, 2);
  EXPECT_EQ(copy->Transform(&twice), Ok);
  EXPECT_TRUE(copy->IsVisible(12, 12));

  EXPECT_EQ(region.MakeEmpty(), Ok);
  EXPECT_TRUE(region.IsEmpty(&s.g()));
  EXPECT_EQ(region.MakeInfinite(), Ok);
  EXPECT_TRUE(region.IsInfinite(&s.g()));
}

TEST_F(GdipObjects, RegionDataRoundTrips) {
  TGPRegion region(TGPRect{1, 1, 3, 3});
  region.Union(TGPRect{6, 1, 2, 2});
  const UINT size = region.GetDataSize();
  ASSERT_GT(size, 0u);
  std::vector<BYTE> data(size);
  UINT filled = 0;
  ASSERT_EQ(region.GetData(data.data(), size, &filled), Ok);
  EXPECT_EQ(filled, size);
  TGPRegion copy(data.data(), INT(size));
  EXPECT_EQ(copy.GetLastStatus(), Ok);
  EXPECT_TRUE(copy.IsVisible(7, 2));
  EXPECT_FALSE(copy.IsVisible(5, 2));
}

TEST_F(GdipObjects, RegionsTradeWithTheLayersRegionHandles) {
  Surface s(30, 20);
  HRGN rect = CreateRectRgn(1, 1, 4, 4);
  HRGN circle = CreateEllipticRgn(10, 0, 20, 10);
  CombineRgn(rect, rect, circle, RGN_OR);
  std::unique_ptr<TGPRegion> region = TGPRegion::FromHRGN(rect);
  ASSERT_NE(region, nullptr);
  EXPECT_TRUE(region->IsVisible(2, 2));
  EXPECT_FALSE(region->IsVisible(4, 4));
  EXPECT_TRUE(region->IsVisible(15, 5));
  TGPRegion direct(circle);
  EXPECT_EQ(direct.GetLastStatus(), Ok);
  EXPECT_FALSE(direct.IsVisible(2, 2));
  DeleteObject(rect);
  DeleteObject(circle);
  // A handle that is no region of the layer.
  EXPECT_EQ(TGPRegion::FromHRGN(reinterpret_cast<HRGN>(0x12345)), nullptr);
  TGPRegion bad(reinterpret_cast<HRGN>(0x12345));
  EXPECT_EQ(bad.GetLastStatus(), InvalidParameter);

  // Out: device pixels of the graphics.
  TGPRegion area(TGPRect{2, 3, 4, 5});
  s.g().TranslateTransform(10, 0);
  HRGN out = area.GetHRGN(&s.g());
  ASSERT_NE(out, nullptr);
  RECT box{};
  EXPECT_NE(GetRgnBox(out, &box), 0);
  EXPECT_EQ(box.left, 12);
  EXPECT_EQ(box.top, 3);
  EXPECT_EQ(box.right, 16);
  EXPECT_EQ(box.bottom, 8);
  DeleteObject(out);
  TGPRegion infinite;
  EXPECT_EQ(infinite.GetHRGN(&s.g()), nullptr);
  EXPECT_EQ(infinite.GetLastStatus(), Ok);
}

// ---------------------------------------------------------------------------
// String formats

TEST_F(GdipObjects, StringFormatSettingsRoundTrip) {
  TGPStringFormat format(StringFormatFlagsNoWrap, 0x0409);
  EXPECT_EQ(format.GetFormatFlags(), StringFormatFlagsNoWrap);
  format.SetFormatFlags(StringFormatFlagsNoClip | StringFormatFlagsLineLimit);
  EXPECT_EQ(format.GetFormatFlags(), StringFormatFlagsNoClip | StringFormatFlagsLineLimit);
  format.SetAlignment(StringAlignmentFar);
  EXPECT_EQ(format.GetAlignment(), StringAlignmentFar);
  format.SetLineAlignment(StringAlignmentCenter);
  EXPECT_EQ(format.GetLineAlignment(), StringAlignmentCenter);
  format.SetHotkeyPrefix(HotkeyPrefixShow);
  EXPECT_EQ(format.GetHotkeyPrefix(), HotkeyPrefixShow);
  format.SetTrimming(StringTrimmingEllipsisWord);
  EXPECT_EQ(format.GetTrimming(), StringTrimmingEllipsisWord);
  format.SetDigitSubstitution(0x040C, StringDigitSubstituteNational);
  EXPECT_EQ(format.GetDigitSubstitutionLanguage(), 0x040C);
  EXPECT_EQ(format.GetDigitSubstitutionMethod(), StringDigitSubstituteNational);
  const TCharacterRange ranges[3] = {{0, 1}, {1, 1}, {2, 3}};
  format.SetMeasurableCharacterRanges(3, ranges);
  EXPECT_EQ(format.GetMeasurableCharacterRangeCount(), 3);
  EXPECT_EQ(format.GetLastStatus(), Ok);

  TGPStringFormat copy(&format);
  EXPECT_EQ(copy.GetAlignment(), StringAlignmentFar);
  EXPECT_EQ(copy.GetTrimming(), StringTrimmingEllipsisWord);
  TGPStringFormat fromNothing(static_cast<const TGPStringFormat*>(nullptr));
  EXPECT_EQ(fromNothing.GetLastStatus(), InvalidParameter);
}

TEST_F(GdipObjects, GenericFormatsAndFamiliesAreShared) {
  TGPStringFormat* typographic = TGPStringFormat::GenericTypographic();
  EXPECT_EQ(TGPStringFormat::GenericTypographic(), typographic);
  TGPStringFormat* plain = TGPStringFormat::GenericDefault();
  EXPECT_EQ(TGPStringFormat::GenericDefault(), plain);
  EXPECT_NE(typographic, plain);
  EXPECT_EQ(typographic->GetLastStatus(), Ok);
  EXPECT_NE(typographic->GetFormatFlags() & StringFormatFlagsNoClip, 0);

  TGPFontFamily* sans = TGPFontFamily::GenericSansSerif();
  TGPFontFamily* serif = TGPFontFamily::GenericSerif();
  TGPFontFamily* mono = TGPFontFamily::GenericMonospace();
  EXPECT_EQ(TGPFontFamily::GenericSansSerif(), sans);
  QString a, b, c;
  sans->GetFamilyName(a);
  serif->GetFamilyName(b);
  mono->GetFamilyName(c);
  EXPECT_FALSE(a.isEmpty());
  EXPECT_NE(a, b);
  EXPECT_NE(a, c);
  // Fonts made from a shared family leave it usable.
  { TGPFont font(sans, 10); }
  EXPECT_TRUE(sans->IsStyleAvailable(FontStyleRegular));
}

// ---------------------------------------------------------------------------
// Custom line caps

PFN_GdipDeleteCustomLineCap realDeleteCap = nullptr;
int capDeletions = 0;
Status CountingDeleteCap(GpCustomLineCap* cap) {
  ++capDeletions;
  return realDeleteCap(cap);
}

TEST_F(GdipObjects, CustomCapsTravelThroughPens) {
  TGPGraphicsPath arrow;
  const TGPPointF head[3] = {{-2, -2}, {0, 0}, {2, -2}};
  arrow.AddLines(head, 3);
  TGPCustomLineCap cap(nullptr, &arrow, LineCapRound, 1.5f);
  ASSERT_EQ(cap.GetLastStatus(), Ok);
  EXPECT_EQ(cap.GetBaseCap(), LineCapRound);
  EXPECT_EQ(cap.GetBaseInset(), 1.5f);
  cap.SetStrokeCaps(LineCapRound, LineCapSquare);
  TLineCap start = -1, end = -1;
  EXPECT_EQ(cap.GetStrokeCaps(start, end), Ok);
  EXPECT_EQ(start, LineCapRound);
  EXPECT_EQ(end, LineCapSquare);
  cap.SetStrokeJoin(LineJoinBevel);
  EXPECT_EQ(cap.GetStrokeJoin(), LineJoinBevel);
  cap.SetWidthScale(2);
  EXPECT_EQ(cap.GetWidthScale(), 2.0f);

  TGPPen pen(0xFF000000u, 2);
  EXPECT_EQ(pen.SetCustomEndCap(&cap), Ok);
  EXPECT_EQ(pen.GetEndCap(), LineCapCustom);
  TGPCustomLineCap empty;
  EXPECT_EQ(pen.GetCustomEndCap(&empty), Ok);
  EXPECT_EQ(empty.GetBaseInset(), 1.5f);  // a working copy of the pen's cap

  // A cap that already held an object gives it back first.
  TGPCustomLineCap held(nullptr, &arrow);
  realDeleteCap = GdipDeleteCustomLineCap;
  capDeletions = 0;
  {
    EntryOverride o(GdipDeleteCustomLineCap, &CountingDeleteCap);
    EXPECT_EQ(pen.GetCustomEndCap(&held), Ok);
    EXPECT_EQ(capDeletions, 1);
  }
  EXPECT_EQ(held.GetWidthScale(), 2.0f);
  // A null cap passes a null handle; the library refuses it.
  EXPECT_EQ(pen.SetCustomEndCap(nullptr), InvalidParameter);
  EXPECT_EQ(pen.GetEndCap(), LineCapCustom);
}

// ---------------------------------------------------------------------------
// Font families and fonts

TEST_F(GdipObjects, FamiliesAreFoundByNameOrAlias) {
  TGPFontFamily dejavu(QStringLiteral("dejavu sans"));
  EXPECT_EQ(dejavu.GetLastStatus(), Ok);
  QString name;
  dejavu.GetFamilyName(name);
  EXPECT_EQ(name, QStringLiteral("DejaVu Sans"));

  TGPFontFamily arial(QStringLiteral("Arial"));  // an alias of Liberation Sans
  EXPECT_EQ(arial.GetLastStatus(), Ok);
  arial.GetFamilyName(name);
  EXPECT_EQ(name, QStringLiteral("Liberation Sans"));

  TGPFontFamily unknown(QStringLiteral("No Such Family Anywhere"));
  EXPECT_EQ(unknown.GetLastStatus(), FontFamilyNotFound);
  EXPECT_FALSE(unknown.IsAvailable());

  EXPECT_GT(dejavu.GetEmHeight(FontStyleRegular), 0);
  EXPECT_GT(dejavu.GetCellAscent(FontStyleRegular), dejavu.GetCellDescent(FontStyleRegular));
  EXPECT_GE(dejavu.GetLineSpacing(FontStyleRegular), dejavu.GetCellAscent(FontStyleRegular));
  EXPECT_TRUE(dejavu.IsStyleAvailable(FontStyleBold));
}

Status LongFamilyName(const GpFontFamily*, WCHAR* name, LANGID) {
  for (int i = 0; i < 40; ++i) name[i] = u'a' + char16_t(i % 26);
  name[40] = 0;
  return Ok;
}
Status FailingStyleQuery(const GpFontFamily*, INT, BOOL* available) {
  *available = TRUE;  // written, but the call failed
  return GenericError;
}

TEST_F(GdipObjects, FamilyNamesAndStyleQueriesStayBounded) {
  TGPFontFamily family(QStringLiteral("DejaVu Sans"));
  QString name;
  {
    EntryOverride o(GdipGetFamilyName, &LongFamilyName);
    EXPECT_EQ(family.GetFamilyName(name), Ok);
  }
  EXPECT_EQ(name.size(), 32);
  EXPECT_TRUE(name.startsWith(QStringLiteral("abcdef")));
  EntryOverride o(GdipIsStyleAvailable, &FailingStyleQuery);
  EXPECT_FALSE(family.IsStyleAvailable(FontStyleItalic));
  EXPECT_EQ(family.GetLastStatus(), GenericError);
}

TEST_F(GdipObjects, FontsFallBackToTheGenericSansSerifFamily) {
  TGPFont font(QStringLiteral("No Such Family Anywhere"), 12, FontStyleBold, UnitPixel);
  EXPECT_TRUE(font.IsAvailable());
  EXPECT_EQ(font.GetLastStatus(), Ok);
  TGPFontFamily family;
  ASSERT_EQ(font.GetFamily(&family), Ok);
  QString name, generic;
  family.GetFamilyName(name);
  TGPFontFamily::GenericSansSerif()->GetFamilyName(generic);
  EXPECT_EQ(name, generic);
  EXPECT_EQ(font.GetStyle(), FontStyleBold);
  EXPECT_EQ(font.GetSize(), 12.0f);
  EXPECT_EQ(font.GetUnit(), UnitPixel);

  TGPFont named(QStringLiteral("DejaVu Serif"), 10);
  TGPFontFamily serif;
  named.GetFamily(&serif);
  serif.GetFamilyName(name);
  EXPECT_EQ(name, QStringLiteral("DejaVu Serif"));
  EXPECT_EQ(named.GetUnit(), UnitPoint);
  EXPECT_GT(named.GetHeight(96.0f), named.GetSize());

  // A font's status is not reset by reading it.
  TGPFont none(static_cast<const TGPFontFamily*>(nullptr), 10);
  EXPECT_FALSE(none.IsAvailable());
  EXPECT_EQ(none.GetLastStatus(), InvalidParameter);
  EXPECT_EQ(none.GetLastStatus(), InvalidParameter);
}

TEST_F(GdipObjects, FontsComeFromTheLayersDeviceContexts) {
  QImage image(10, 10, QImage::Format_ARGB32_Premultiplied);
  HDC dc = CreateImageDC(&image);
  HFONT hfont = CreateFontW(-16, 0, 0, 0, FW_BOLD, TRUE, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                            u"Liberation Serif");
  HGDIOBJ old = SelectObject(dc, hfont);
  const auto check = [](TGPFont& font) {
    EXPECT_EQ(font.GetLastStatus(), Ok);
    EXPECT_EQ(font.GetSize(), 16.0f);
    EXPECT_EQ(font.GetStyle(), FontStyleBold | FontStyleItalic);
    TGPFontFamily family;
    font.GetFamily(&family);
    QString name;
    family.GetFamilyName(name);
    EXPECT_EQ(name, QStringLiteral("Liberation Serif"));
  };
  {
    SCOPED_TRACE("selected font");
    TGPFont font(dc);
    check(font);
  }
  {
    SCOPED_TRACE("font handle");
    SelectObject(dc, old);
    TGPFont font(dc, hfont);
    check(font);
  }
  {
    SCOPED_TRACE("logical font");
    LOGFONTW logfont{};
    GetObjectW(hfont, int(sizeof logfont), &logfont);
    TGPFont font(dc, &logfont);
    check(font);
    LOGFONTW back{};
    back.lfHeight = 99;
    EXPECT_EQ(font.GetLogFontW(nullptr, &back), InvalidParameter);  // the library needs a graphics
    EXPECT_EQ(back.lfHeight, 0);
    Surface s;
    EXPECT_EQ(font.GetLogFontW(&s.g(), &back), Ok);
    EXPECT_EQ(std::abs(back.lfHeight), 16);
    EXPECT_EQ(QString::fromUtf16(back.lfFaceName), QStringLiteral("Liberation Serif"));
  }
  DeleteObject(hfont);
  DeleteDC(dc);
  TGPFont noDc(static_cast<HDC>(nullptr));
  EXPECT_EQ(noDc.GetLastStatus(), InvalidParameter);
}

// ---------------------------------------------------------------------------
// Paths

TEST_F(GdipObjects, PathsCollectFiguresAndAnswerHitTests) {
  TGPGraphicsPath path;
  EXPECT_EQ(path.SetFillMode(FillModeWinding), Ok);
  EXPECT_EQ(path.GetFillMode(), FillModeWinding);
  path.AddRectangle(TGPRect{0, 0, 10, 10});
  path.AddEllipse(TGPRectF{20, 0, 10, 10});
  path.StartFigure();
  path.AddLine(TGPPoint{0, 20}, TGPPoint{10, 20});
  path.AddLine(10.0f, 20.0f, 10.0f, 30.0f);
  path.CloseFigure();
  TGPPointF last{};
  path.GetLastPoint(last);
  ExpectPoint(last, 10, 30);
  EXPECT_TRUE(path.IsVisible(5, 5));
  EXPECT_TRUE(path.IsVisible(TGPPointF{25, 5}));
  EXPECT_FALSE(path.IsVisible(15, 5));
  TGPPen wide(0xFF000000u, 4);
  EXPECT_TRUE(path.IsOutlineVisible(TGPPoint{0, 5}, &wide));
  EXPECT_FALSE(path.IsOutlineVisible(5.0f, 5.0f, &wide));

  TGPRectF bounds{};
  EXPECT_EQ(path.GetBounds(bounds), Ok);
  EXPECT_EQ(bounds.Width, 30.0f);
  EXPECT_EQ(bounds.Height, 30.0f);
  TGPRect widened{};
  EXPECT_EQ(path.GetBounds(widened, nullptr, &wide), Ok);
  EXPECT_LT(widened.X, 0);

  // Transform(null) is Ok and changes nothing.
  const INT before = path.GetPointCount();
  EXPECT_EQ(path.Transform(nullptr), Ok);
  path.GetBounds(bounds);
  EXPECT_EQ(bounds.X, 0.0f);
  TGPMatrix shift;
  shift.Translate(100, 0);
  EXPECT_EQ(path.Transform(&shift), Ok);
  path.GetBounds(bounds);
  EXPECT_EQ(bounds.X, 100.0f);
  EXPECT_EQ(path.GetPointCount(), before);
}

TEST_F(GdipObjects, PathsFlattenWidenAndReportWhatTheLibraryLacks) {
  TGPGraphicsPath path;
  path.AddEllipse(0, 0, 20, 20);
  std::vector<BYTE> types(size_t(path.GetPointCount()));
  path.GetPathTypes(types.data(), INT(types.size()));
  EXPECT_EQ(types[1] & 0x07, 3);  // Bezier points
  EXPECT_EQ(path.Flatten(nullptr, 0.1f), Ok);
  types.resize(size_t(path.GetPointCount()));
  path.GetPathTypes(types.data(), INT(types.size()));
  for (size_t i = 1; i < types.size(); ++i) EXPECT_EQ(types[i] & 0x07, 1) << i;  // lines only

  TGPGraphicsPath line;
  line.AddLine(0, 10, 20, 10);
  TGPPen pen(0xFF000000u, 6);
  EXPECT_EQ(line.Widen(&pen), Ok);
  TGPRectF bounds{};
  line.GetBounds(bounds);
  EXPECT_NEAR(bounds.Height, 6.0f, 0.5f);

  // The library has no outline and no warp: both are reported.
  EXPECT_EQ(path.Outline(), NotImplemented);
  const TGPPointF quad[4] = {{0, 0}, {10, 0}, {0, 10}, {10, 10}};
  EXPECT_EQ(path.Warp(quad, 4, TGPRectF{0, 0, 20, 20}), NotImplemented);
  EXPECT_EQ(path.GetLastStatus(), NotImplemented);

  // Points with types make a path.
  const TGPPoint points[3] = {{0, 0}, {5, 0}, {5, 5}};
  const BYTE kinds[3] = {0, 1, 0x81};
  TGPGraphicsPath fromPoints(points, kinds, 3);
  EXPECT_EQ(fromPoints.GetPointCount(), 3);
  BYTE back[3] = {};
  fromPoints.GetPathTypes(back, 3);
  EXPECT_EQ(back[2], 0x81);
  EXPECT_EQ(fromPoints.Reverse(), Ok);
  TGPPoint first[3] = {};
  fromPoints.GetPathPoints(first, 3);
  EXPECT_EQ(first[0].Y, 5);
  TGPGraphicsPath copy(&fromPoints);
  EXPECT_EQ(copy.GetPointCount(), 3);
  copy.Reset();
  EXPECT_EQ(copy.GetPointCount(), 0);
}

TEST_F(GdipObjects, TextBecomesPathOutlines) {
  TGPGraphicsPath path;
  TGPFontFamily family(QStringLiteral("DejaVu Sans"));
  EXPECT_EQ(path.AddString(QStringLiteral("Hi"), -1, &family, FontStyleRegular, 20,
                           TGPPointF{5, 5}, nullptr),
            Ok);
  EXPECT_GT(path.GetPointCount(), 8);
  TGPRectF bounds{};
  path.GetBounds(bounds);
  EXPECT_GE(bounds.X, 5.0f);
  EXPECT_LT(bounds.Width, 40.0f);
  TGPGraphicsPath clipped;
  EXPECT_EQ(clipped.AddString(QStringLiteral("Hi"), 1, &family, FontStyleRegular, 20,
                              TGPRect{0, 0, 100, 40}, TGPStringFormat::GenericTypographic()),
            Ok);
  EXPECT_LT(clipped.GetPointCount(), path.GetPointCount());  // "H" alone
}

// ---------------------------------------------------------------------------
// Images and bitmaps

const GUID kPngFormat = {0xB96B3CAF, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

bool SameGuid(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A 5 x 3 picture: red, with a blue pixel at (4, 2).
QByteArray PngBytes() {
  QImage image(5, 3, QImage::Format_ARGB32);
  image.fill(0xFFFF0000);
  image.setPixel(4, 2, 0xFF0000FF);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

TEST_F(GdipObjects, ImagesLoadFromTheLayersStreams) {
  const QByteArray png = PngBytes();
  TMemoryStream stream;
  const QByteArray prefix("junk");
  stream.WriteBuffer(prefix.constData(), prefix.size());
  stream.WriteBuffer(png.constData(), png.size());
  stream.SetPosition(prefix.size());  // read from the position on
  TGPBitmap bitmap(&stream);
  ASSERT_EQ(bitmap.GetLastStatus(), Ok);
  EXPECT_EQ(bitmap.GetWidth(), 5u);
  EXPECT_EQ(bitmap.GetHeight(), 3u);
  EXPECT_EQ(bitmap.GetType(), ImageTypeBitmap);
  GUID format{};
  bitmap.GetRawFormat(format);
  EXPECT_TRUE(SameGuid(format, kPngFormat));
  ARGB pixel = 0;
  bitmap.GetPixel(4, 2, pixel);
  EXPECT_EQ(pixel, 0xFF0000FFu);
  TGPSizeF size{};
  EXPECT_EQ(bitmap.GetPhysicalDimension(size), Ok);
  EXPECT_EQ(size.Width, 5.0f);
  TGPRectF bounds{};
  Unit_ unit = UnitInch;
  EXPECT_EQ(bitmap.GetBounds(bounds, unit), Ok);
  EXPECT_EQ(unit, UnitPixel);
  EXPECT_EQ(bounds.Height, 3.0f);
  EXPECT_EQ(bitmap.GetFrameCount(FrameDimensionPage), 1u);

  // Bytes that are no picture, an exhausted stream and no stream fail cleanly.
  TMemoryStream junk;
  junk.WriteBuffer(prefix.constData(), prefix.size());
  junk.SetPosition(0);
  std::unique_ptr<TGPImage> notAnImage = TGPImage::FromStream(&junk);
  EXPECT_NE(notAnImage->GetLastStatus(), Ok);
  EXPECT_EQ(notAnImage->GetWidth(), 0u);
  EXPECT_EQ(TGPImage::FromStream(&junk)->GetLastStatus(), InvalidParameter);  // at its end
  EXPECT_EQ(TGPImage(static_cast<TStream*>(nullptr)).GetLastStatus(), InvalidParameter);
}

TEST_F(GdipObjects, ImagesSaveToStreamsAndFiles) {
  TGPBitmap bitmap(6, 4, PixelFormat32bppARGB);
  for (int x = 0; x < 6; ++x) bitmap.SetPixel(x, 1, 0xFF00FF00u);
  TMemoryStream stream;
  ASSERT_EQ(bitmap.Save(&stream, GdiplusEncoderPng), Ok);
  EXPECT_GT(stream.Size(), 8);
  stream.SetPosition(0);
  TGPBitmap back(&stream);
  ARGB pixel = 0;
  back.GetPixel(3, 1, pixel);
  EXPECT_EQ(pixel, 0xFF00FF00u);
  back.GetPixel(3, 2, pixel);
  EXPECT_EQ(pixel >> 24, 0u);  // transparent where nothing was set

  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("picture.bmp"));
  ASSERT_EQ(bitmap.Save(file, GdiplusEncoderBmp), Ok);
  std::unique_ptr<TGPImage> image = TGPImage::FromFile(file);
  EXPECT_EQ(image->GetLastStatus(), Ok);
  EXPECT_EQ(image->GetWidth(), 6u);
  std::unique_ptr<TGPBitmap> asBitmap = TGPBitmap::FromFile(file);
  asBitmap->GetPixel(0, 1, pixel);
  EXPECT_EQ(pixel, 0xFF00FF00u);
  std::unique_ptr<TGPImage> missing = TGPImage::FromFile(dir.filePath(QStringLiteral("none.png")));
  EXPECT_NE(missing->GetLastStatus(), Ok);
  EXPECT_EQ(bitmap.Save(static_cast<TStream*>(nullptr), GdiplusEncoderPng), InvalidParameter);
}

TEST_F(GdipObjects, BitmapsExposeTheirPixels) {
  TGPBitmap bitmap(4, 3, PixelFormat32bppARGB);
  EXPECT_EQ(bitmap.GetPixelFormat(), PixelFormat32bppARGB);
  BitmapData data{};
  ASSERT_EQ(bitmap.LockBits(TGPRect{0, 0, 4, 3}, ImageLockModeWrite, PixelFormat32bppARGB, data),
            Ok);
  EXPECT_EQ(data.Width, 4u);
  static_cast<uint32_t*>(data.Scan0)[1] = 0xFF112233u;
  EXPECT_EQ(bitmap.UnlockBits(data), Ok);
  ARGB pixel = 0;
  bitmap.GetPixel(1, 0, pixel);
  EXPECT_EQ(pixel, 0xFF112233u);
  EXPECT_EQ(bitmap.SetResolution(150, 72), Ok);
  EXPECT_EQ(bitmap.GetHorizontalResolution(), 150.0f);
  EXPECT_EQ(bitmap.GetVerticalResolution(), 72.0f);
  EXPECT_EQ(bitmap.RotateFlip(Rotate90FlipNone), Ok);
  EXPECT_EQ(bitmap.GetWidth(), 3u);
  bitmap.GetPixel(2, 1, pixel);
  EXPECT_EQ(pixel, 0xFF112233u);
  std::unique_ptr<TGPImage> thumb = bitmap.GetThumbnailImage(2, 2);
  EXPECT_EQ(thumb->GetLastStatus(), Ok);
  EXPECT_EQ(thumb->GetWidth(), 2u);

  Surface s;
  TGPBitmap compatible(7, 5, &s.g());
  EXPECT_EQ(compatible.GetLastStatus(), Ok);
  EXPECT_EQ(compatible.GetHeight(), 5u);
}

TEST_F(GdipObjects, BitmapsTradeWithTheLayersBitmapHandles) {
  QImage source(3, 2, QImage::Format_ARGB32_Premultiplied);
  source.fill(0xFF336699);
  source.setPixel(2, 1, 0xFFFF0000);
  HBITMAP handle = CreateBitmapFromImage(source);
  std::unique_ptr<TGPBitmap> bitmap = TGPBitmap::FromHBITMAP(handle, nullptr);
  ASSERT_EQ(bitmap->GetLastStatus(), Ok);
  EXPECT_EQ(bitmap->GetWidth(), 3u);
  ARGB pixel = 0;
  bitmap->GetPixel(2, 1, pixel);
  EXPECT_EQ(pixel, 0xFFFF0000u);
  DeleteObject(handle);
  EXPECT_EQ(TGPBitmap(reinterpret_cast<HBITMAP>(0x4321), nullptr).GetLastStatus(), InvalidParameter);

  // Out: the pixels over the background colour.
  TGPBitmap half(2, 1, PixelFormat32bppARGB);
  half.SetPixel(0, 0, 0xFF0000FFu);
  half.SetPixel(1, 0, 0x00000000u);  // transparent
  HBITMAP out = nullptr;
  ASSERT_EQ(half.GetHBITMAP(0xFF00FF00u, out), Ok);
  ASSERT_NE(out, nullptr);
  const QImage* pixels = GetBitmapImage(out);
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(pixels->pixel(0, 0), 0xFF0000FFu);
  EXPECT_EQ(pixels->pixel(1, 0), 0xFF00FF00u);
  DeleteObject(out);
}

TEST_F(GdipObjects, BitmapsComeFromResourcesAndIcons) {
  // The program's resources by upper-case name; the module is not consulted.
  std::unique_ptr<TGPBitmap> dots = TGPBitmap::FromResource(nullptr, QStringLiteral("gdipDots"));
  ASSERT_EQ(dots->GetLastStatus(), Ok);
  EXPECT_EQ(dots->GetWidth(), 3u);
  EXPECT_EQ(dots->GetHeight(), 2u);
  ARGB dot = 0;
  dots->GetPixel(2, 0, dot);
  EXPECT_EQ(dot, 0xFF0000FFu);
  EXPECT_EQ(TGPBitmap::FromResource(nullptr, QStringLiteral("NO-SUCH-PICTURE"))->GetLastStatus(),
            Win32Error);
  // A resource whose header claims a huge picture fails cleanly.
  EXPECT_NE(TGPBitmap::FromResource(nullptr, QStringLiteral("KITLOGO"))->GetLastStatus(), Ok);

  TGPBitmap bitmap(5, 4, PixelFormat32bppARGB);
  bitmap.SetPixel(1, 1, 0xFF00FF00u);
  HICON icon = nullptr;
  ASSERT_EQ(bitmap.GetHICON(icon), Ok);
  std::unique_ptr<TGPBitmap> back = TGPBitmap::FromHICON(icon);
  ASSERT_EQ(back->GetLastStatus(), Ok);
  EXPECT_EQ(back->GetWidth(), 5u);
  ARGB pixel = 0;
  back->GetPixel(1, 1, pixel);
  EXPECT_EQ(pixel, 0xFF00FF00u);
  // A handle the library did not hand out is refused, not read.
  EXPECT_EQ(TGPBitmap(reinterpret_cast<HICON>(0x10)).GetLastStatus(), InvalidParameter);
}

}  // namespace
}  // namespace gdiptest
