// The conventions every wrapper class of the run-time GDI+ binding follows:
// status recording, the Clone forms, null wrapper arguments, getters after a
// failed call, and the buffer checks where callers pass counts.

#include <QByteArray>

#include <array>
#include <functional>
#include <memory>
#include <typeinfo>
#include <vector>

#include "tests/foundation/KitGDIPlusTestSupport.h"

namespace gdiptest {
namespace {

// ---------------------------------------------------------------------------
// Status recording

// A wrapper with one failing and one succeeding operation, and its
// GetLastStatus.
struct Probe {
  std::function<Status()> fail, succeed, last;
};

struct RecordingCase {
  const char* name;
  std::function<Probe()> make;
  bool resets = true;  // GetLastStatus resets the field
};

template <class T, class... A>
std::shared_ptr<T> Make(A&&... args) {
  return std::make_shared<T>(std::forward<A>(args)...);
}

std::vector<RecordingCase> RecordingCases() {
  return {
      {"TGPMatrix",
       [] {
         auto m = Make<TGPMatrix>();
         return Probe{[m] { return m->Multiply(nullptr); }, [m] { return m->Translate(1, 2); },
                      [m] { return m->GetLastStatus(); }};
       }},
      {"TGPRegion",
       [] {
         auto r = Make<TGPRegion>();
         return Probe{[r] { return r->Transform(nullptr); }, [r] { return r->MakeEmpty(); },
                      [r] { return r->GetLastStatus(); }};
       }},
      {"TGPStringFormat",
       [] {
         auto f = Make<TGPStringFormat>();
         return Probe{[f] { return f->GetTabStops(0, nullptr, nullptr); },
                      [f] { return f->SetAlignment(StringAlignmentCenter); },
                      [f] { return f->GetLastStatus(); }};
       }},
      {"TGPImageAttributes",
       [] {
         auto a = Make<TGPImageAttributes>();
         return Probe{[a] { return a->GetAdjustedPalette(nullptr, ColorAdjustTypeBitmap); },
                      [a] { return a->SetGamma(1.5f); }, [a] { return a->GetLastStatus(); }};
       }},
      {"TGPCustomLineCap",
       [] {
         auto path = Make<TGPGraphicsPath>();
         path->AddLine(-1, 0, 1, 0);
         auto cap = Make<TGPCustomLineCap>(nullptr, path.get());
         return Probe{[cap] {
                        // The library answers a busy object.
                        EntryOverride o(GdipSetCustomLineCapBaseInset,
                                        +[](GpCustomLineCap*, REAL) { return ObjectBusy; });
                        return cap->SetBaseInset(1);
                      },
                      [cap] { return cap->SetBaseInset(2); }, [cap] { return cap->GetLastStatus(); }};
       }},
      {"TGPPen",
       [] {
         auto p = Make<TGPPen>(0xFF000000u, 1.0f);
         return Probe{[p] { return p->SetTransform(nullptr); }, [p] { return p->SetWidth(3); },
                      [p] { return p->GetLastStatus(); }};
       }},
      {"TGPSolidBrush",
       [] {
         auto b = Make<TGPSolidBrush>(0xFF102030u);
         return Probe{[b] {
                        EntryOverride o(GdipSetSolidFillColor,
                                        +[](GpSolidFill*, ARGB) { return ObjectBusy; });
                        return b->SetColor(0);
                      },
                      [b] { return b->SetColor(0xFF405060u); }, [b] { return b->GetLastStatus(); }};
       }},
      {"TGPTextureBrush",
       [] {
         auto image = Make<TGPBitmap>(4, 4, PixelFormat32bppARGB);
         auto b = Make<TGPTextureBrush>(image.get(), WrapModeTile);
         return Probe{[b, image] { return b->SetTransform(nullptr); },
                      [b] { return b->SetWrapMode(WrapModeTileFlipX); },
                      [b] { return b->GetLastStatus(); }};
       }},
      {"TGPLinearGradientBrush",
       [] {
         auto b = Make<TGPLinearGradientBrush>(TGPPointF{0, 0}, TGPPointF{10, 0}, 0xFF000000u,
                                               0xFFFFFFFFu);
         return Probe{[b] { return b->SetBlend(nullptr, nullptr, 2); },
                      [b] { return b->SetGammaCorrection(true); }, [b] { return b->GetLastStatus(); }};
       }},
      {"TGPHatchBrush",
       [] {
         auto b = Make<TGPHatchBrush>(HatchStyleCross, 0xFF000000u, 0xFFFFFFFFu);
         return Probe{[b] {
                        EntryOverride o(GdipGetHatchForegroundColor,
                                        +[](GpHatch*, ARGB*) { return GenericError; });
                        ARGB c = 0;
                        return b->GetForegroundColor(c);
                      },
                      [b] {
                        ARGB c = 0;
                        return b->GetBackgroundColor(c);
                      },
                      [b] { return b->GetLastStatus(); }};
       }},
      {"TGPPathGradientBrush",
       [] {
         const TGPPointF points[3] = {{0, 0}, {10, 0}, {0, 10}};
         auto b = Make<TGPPathGradientBrush>(points, 3);
         return Probe{[b] { return b->SetGraphicsPath(nullptr); },
                      [b] { return b->SetFocusScales(0.5f, 0.5f); }, [b] { return b->GetLastStatus(); }};
       }},
      {"TGPImage",
       [] {
         auto bitmap = Make<TGPBitmap>(4, 4, PixelFormat32bppARGB);
         std::shared_ptr<TGPImage> i = bitmap->Clone();
         return Probe{[i] { return i->SaveAdd(nullptr, nullptr); },
                      [i] { return i->RotateFlip(RotateNoneFlipNone); }, [i] { return i->GetLastStatus(); }};
       }},
      {"TGPBitmap",
       [] {
         auto b = Make<TGPBitmap>(4, 4, PixelFormat32bppARGB);
         return Probe{[b] { return b->SetPixel(-1, 9, 0xFF000000u); },
                      [b] { return b->SetPixel(1, 1, 0xFF000000u); }, [b] { return b->GetLastStatus(); }};
       }},
      {"TGPFontFamily",
       [] {
         auto f = Make<TGPFontFamily>(QStringLiteral("DejaVu Sans"));
         return Probe{[f] {
                        EntryOverride o(GdipGetEmHeight, +[](const GpFontFamily*, INT, UINT16*) {
                          return FontStyleNotFound;
                        });
                        f->GetEmHeight(FontStyleRegular);
                        return FontStyleNotFound;
                      },
                      [f] { return f->GetCellAscent(FontStyleRegular) > 0 ? Ok : GenericError; },
                      [f] { return f->GetLastStatus(); }};
       }},
      {"TGPFont",
       [] {
         auto f = Make<TGPFont>(QStringLiteral("DejaVu Sans"), 10.0f);
         return Probe{[f] { return f->GetFamily(nullptr); },
                      [f] { return f->GetSize() == 10.0f ? Ok : GenericError; },
                      [f] { return f->GetLastStatus(); }};
       },
       false},
      {"TGPGraphicsPath",
       [] {
         auto p = Make<TGPGraphicsPath>();
         return Probe{[p] { return p->Widen(nullptr); }, [p] { return p->AddLine(0, 0, 5, 5); },
                      [p] { return p->GetLastStatus(); }};
       }},
      {"TGPGraphics",
       [] {
         auto s = std::make_shared<Surface>();
         return Probe{[s] { return s->g().DrawLine(nullptr, 0, 0, 5, 5); },
                      [s] { return s->g().Clear(0xFFFFFFFFu); }, [s] { return s->g().GetLastStatus(); }};
       }},
  };
}

using GdipConventions = GdipTest;

TEST_F(GdipConventions, TheStatusFieldKeepsTheLastFailureUntilItIsRead) {
  for (const RecordingCase& c : RecordingCases()) {
    SCOPED_TRACE(c.name);
    Probe p = c.make();
    EXPECT_EQ(p.last(), Ok);  // created fine
    const Status failure = p.fail();
    ASSERT_NE(failure, Ok);
    EXPECT_EQ(p.succeed(), Ok);     // the later call answers its own status
    EXPECT_EQ(p.last(), failure);   // the older failure is still there
    EXPECT_EQ(p.last(), c.resets ? Ok : failure);  // read twice
  }
}

TEST_F(GdipConventions, AFontCollectionStoresEveryStatus) {
  TGPFontCollection collection;  // no native collection: its calls fail
  EXPECT_EQ(collection.GetLastStatus(), Ok);
  EXPECT_EQ(collection.GetFamilyCount(), 0);
  EXPECT_EQ(collection.GetLastStatus(), InvalidParameter);
  EXPECT_EQ(collection.GetLastStatus(), InvalidParameter);  // not reset
  // A succeeding call replaces the failure.
  EntryOverride o(GdipGetFontCollectionFamilyCount, +[](GpFontCollection* handle, INT* count) {
    *count = handle ? 1 : 7;
    return Ok;
  });
  EXPECT_EQ(collection.GetFamilyCount(), 7);  // and the handle passed is null
  EXPECT_EQ(collection.GetLastStatus(), Ok);
}

TEST_F(GdipConventions, ACreationFailureIsTheFirstStatus) {
  TGPRegion fromNoPath(static_cast<const TGPGraphicsPath*>(nullptr));
  EXPECT_EQ(fromNoPath.GetLastStatus(), InvalidParameter);
  TGPBitmap tooLarge(-5, 10, PixelFormat32bppARGB);
  EXPECT_NE(tooLarge.GetLastStatus(), Ok);
  EXPECT_EQ(tooLarge.GetWidth(), 0u);  // later calls pass the null handle on
  EXPECT_EQ(tooLarge.GetLastStatus(), InvalidParameter);
  TGPBrush plain;
  EXPECT_EQ(plain.GetLastStatus(), NotImplemented);
  TGPSolidBrush empty;
  EXPECT_EQ(empty.GetLastStatus(), Ok);
  TGPGraphics onNoImage(static_cast<const TGPImage*>(nullptr));
  EXPECT_EQ(onNoImage.GetLastStatus(), Ok);
  EXPECT_EQ(onNoImage.Clear(0), InvalidParameter);
}

// ---------------------------------------------------------------------------
// Clone forms

// Counts the deletions of matrices, passing them on to the library.
PFN_GdipDeleteMatrix realDeleteMatrix = nullptr;
int matrixDeletions = 0;
Status CountingDeleteMatrix(GpMatrix* matrix) {
  ++matrixDeletions;
  return realDeleteMatrix(matrix);
}

TEST_F(GdipConventions, CloneFormANullWhileAnOlderFailureIsUnread) {
  TGPMatrix m(1, 2, 3, 4, 5, 6);
  m.Multiply(nullptr);  // unread failure
  realDeleteMatrix = GdipDeleteMatrix;
  matrixDeletions = 0;
  {
    EntryOverride o(GdipDeleteMatrix, &CountingDeleteMatrix);
    EXPECT_EQ(m.Clone(), nullptr);
    EXPECT_EQ(matrixDeletions, 1);  // the clone that was made is not leaked
  }
  EXPECT_EQ(m.GetLastStatus(), InvalidParameter);
  std::unique_ptr<TGPMatrix> clone = m.Clone();
  ASSERT_NE(clone, nullptr);
  EXPECT_EQ(clone->GetLastStatus(), Ok);
  TMatrixArray e{};
  EXPECT_EQ(clone->GetElements(e), Ok);
  EXPECT_EQ(e, (TMatrixArray{1, 2, 3, 4, 5, 6}));
  EXPECT_TRUE(clone->IsEqual(&m));

  TGPGraphicsPath arrow;
  arrow.AddLine(-2, 0, 0, 2);
  TGPCustomLineCap cap(nullptr, &arrow, LineCapFlat, 1);
  EntryOverride busy(GdipSetCustomLineCapWidthScale, +[](GpCustomLineCap*, REAL) { return ObjectBusy; });
  cap.SetWidthScale(3);
  EXPECT_EQ(cap.Clone(), nullptr);
  EXPECT_EQ(cap.GetLastStatus(), ObjectBusy);
  std::unique_ptr<TGPCustomLineCap> capClone = cap.Clone();
  ASSERT_NE(capClone, nullptr);
  EXPECT_EQ(capClone->GetBaseInset(), 1.0f);
}

TEST_F(GdipConventions, CloneFormBCopiesTheStatusField) {
  TGPImageAttributes attributes;
  attributes.GetAdjustedPalette(nullptr, ColorAdjustTypeBitmap);
  std::unique_ptr<TGPImageAttributes> a = attributes.Clone();
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->GetLastStatus(), InvalidParameter);
  EXPECT_EQ(a->SetGamma(2), Ok);  // a working clone

  TGPFontFamily family(QStringLiteral("DejaVu Serif"));
  family.IsStyleAvailable(FontStyleBold);
  std::unique_ptr<TGPFontFamily> f = family.Clone();
  QString name;
  EXPECT_EQ(f->GetFamilyName(name), Ok);
  EXPECT_EQ(name, QStringLiteral("DejaVu Serif"));

  TGPFont font(&family, 9.0f);
  font.GetFamily(nullptr);
  std::unique_ptr<TGPFont> fontClone = font.Clone();
  EXPECT_EQ(fontClone->GetLastStatus(), InvalidParameter);
  EXPECT_EQ(fontClone->GetSize(), 9.0f);

  // A failing clone still hands out a wrapper, with a null handle.
  TGPImageAttributes none(nullptr, Ok);
  std::unique_ptr<TGPImageAttributes> failed = none.Clone();
  ASSERT_NE(failed, nullptr);
  EXPECT_EQ(failed->GetLastStatus(), InvalidParameter);
  EXPECT_EQ(failed->SetGamma(2), InvalidParameter);
}

TEST_F(GdipConventions, CloneFormCAnswersOkWhateverTheSource) {
  TGPRegion region(TGPRect{0, 0, 4, 4});
  region.Transform(nullptr);  // unread failure
  std::unique_ptr<TGPRegion> r = region.Clone();
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->GetLastStatus(), Ok);
  EXPECT_TRUE(r->IsVisible(1, 1));
  EXPECT_FALSE(r->IsVisible(5, 5));

  TGPGraphicsPath path;
  path.AddRectangle(TGPRectF{0, 0, 2, 2});
  path.Widen(nullptr);
  std::unique_ptr<TGPGraphicsPath> p = path.Clone();
  EXPECT_EQ(p->GetLastStatus(), Ok);
  EXPECT_EQ(p->GetPointCount(), 4);
}

TEST_F(GdipConventions, PenAndStringFormatClonesStoreTheirOwnStatus) {
  TGPPen pen(0xFF00FF00u, 2);
  pen.SetTransform(nullptr);
  std::unique_ptr<TGPPen> clone = pen.Clone();
  EXPECT_EQ(clone->GetLastStatus(), Ok);
  EXPECT_EQ(pen.GetLastStatus(), Ok);  // the clone's Ok replaced the failure
  EXPECT_EQ(clone->GetWidth(), 2.0f);

  TGPPen none(nullptr, Ok);
  std::unique_ptr<TGPPen> failed = none.Clone();
  ASSERT_NE(failed, nullptr);  // always a pen
  EXPECT_EQ(failed->GetLastStatus(), InvalidParameter);
  EXPECT_EQ(none.GetLastStatus(), InvalidParameter);

  TGPStringFormat format(StringFormatFlagsNoWrap);
  format.GetTabStops(0, nullptr, nullptr);
  std::unique_ptr<TGPStringFormat> formatClone = format.Clone();
  ASSERT_NE(formatClone, nullptr);
  EXPECT_EQ(format.GetLastStatus(), Ok);
  EXPECT_EQ(formatClone->GetFormatFlags(), StringFormatFlagsNoWrap);
  TGPStringFormat noFormat(nullptr, Ok);
  EXPECT_EQ(noFormat.Clone(), nullptr);
  EXPECT_EQ(noFormat.GetLastStatus(), InvalidParameter);
}

TEST_F(GdipConventions, ClonesOfSubclassesAreOfTheBaseClass) {
  TGPLinearGradientBrush gradient(TGPRectF{0, 0, 10, 10}, 0xFF000000u, 0xFFFFFFFFu,
                                  LinearGradientModeHorizontal);
  std::unique_ptr<TGPBrush> brush = gradient.Clone();
  ASSERT_NE(brush, nullptr);
  EXPECT_EQ(typeid(*brush), typeid(TGPBrush));
  EXPECT_EQ(brush->GetType(), BrushTypeLinearGradient);

  TGPBitmap bitmap(3, 2, PixelFormat32bppARGB);
  std::unique_ptr<TGPImage> image = bitmap.TGPImage::Clone();
  EXPECT_EQ(typeid(*image), typeid(TGPImage));
  EXPECT_EQ(image->GetWidth(), 3u);
}

TEST_F(GdipConventions, BitmapAreaClonesTellTheirFormsApart) {
  TGPBitmap bitmap(8, 8, PixelFormat32bppARGB);
  bitmap.SetPixel(-1, -1, 0);  // unread failure
  // Integer area: the clone's status is stored, clearing the failure.
  std::unique_ptr<TGPBitmap> area = bitmap.Clone(TGPRect{2, 2, 4, 3}, PixelFormat32bppARGB);
  ASSERT_NE(area, nullptr);
  EXPECT_EQ(area->GetWidth(), 4u);
  EXPECT_EQ(area->GetHeight(), 3u);
  EXPECT_EQ(bitmap.GetLastStatus(), Ok);

  bitmap.SetPixel(-1, -1, 0);
  // Float area: recorded, so the older failure makes it null.
  EXPECT_EQ(bitmap.Clone(TGPRectF{0, 0, 2, 2}, PixelFormat32bppARGB), nullptr);
  EXPECT_NE(bitmap.GetLastStatus(), Ok);
  std::unique_ptr<TGPBitmap> floatArea = bitmap.Clone(0.0f, 0.0f, 2.0f, 5.0f, PixelFormat32bppARGB);
  ASSERT_NE(floatArea, nullptr);
  EXPECT_EQ(floatArea->GetHeight(), 5u);

  // An area outside the bitmap fails both ways.
  EXPECT_EQ(bitmap.Clone(6, 6, 5, 5, PixelFormat32bppARGB), nullptr);
  EXPECT_NE(bitmap.GetLastStatus(), Ok);
}

// ---------------------------------------------------------------------------
// Null wrapper arguments

struct NullCase {
  const char* name;
  // Answers the operation's own status and then the recorded one.
  std::function<std::pair<Status, Status>()> run;
};

template <class T, class Op>
std::pair<Status, Status> Both(T& object, Op op) {
  const Status returned = op(object);
  return {returned, object.GetLastStatus()};
}

TEST_F(GdipConventions, NullWrapperArgumentsAnswerInvalidParameter) {
  const TGPPointF pts[3] = {{0, 0}, {4, 0}, {0, 4}};
  const std::vector<NullCase> cases = {
      {"matrix multiply", [] { TGPMatrix m; return Both(m, [](TGPMatrix& o) { return o.Multiply(nullptr); }); }},
      {"matrix equal", [] { TGPMatrix m; return Both(m, [](TGPMatrix& o) { o.IsEqual(nullptr); return InvalidParameter; }); }},
      {"region of no path", [] { TGPRegion r(static_cast<const TGPGraphicsPath*>(nullptr)); return std::pair{r.GetLastStatus(), InvalidParameter}; }},
      {"region union", [] { TGPRegion r; return Both(r, [](TGPRegion& o) { return o.Union(static_cast<const TGPRegion*>(nullptr)); }); }},
      {"region exclude path", [] { TGPRegion r; return Both(r, [](TGPRegion& o) { return o.Exclude(static_cast<const TGPGraphicsPath*>(nullptr)); }); }},
      {"region bounds", [] { TGPRegion r; return Both(r, [](TGPRegion& o) { TGPRectF b; return o.GetBounds(b, nullptr); }); }},
      {"region scans", [] { TGPRegion r; return Both(r, [](TGPRegion& o) { INT n = 0; return o.GetRegionScans(nullptr, static_cast<TGPRect*>(nullptr), n); }); }},
      {"pen of no brush", [] { TGPPen p(static_cast<const TGPBrush*>(nullptr)); return std::pair{p.GetLastStatus(), InvalidParameter}; }},
      {"pen brush", [] { TGPPen p(0xFF000000u); return Both(p, [](TGPPen& o) { return o.SetBrush(nullptr); }); }},
      {"pen transform", [] { TGPPen p(0xFF000000u); return Both(p, [](TGPPen& o) { return o.MultiplyTransform(nullptr); }); }},
      {"pen custom cap", [] { TGPPen p(0xFF000000u); return Both(p, [](TGPPen& o) { return o.GetCustomEndCap(nullptr); }); }},
      {"texture of no image", [] { TGPTextureBrush b(static_cast<const TGPImage*>(nullptr), WrapModeTile); return std::pair{b.GetLastStatus(), InvalidParameter}; }},
      {"path gradient of no path", [] { TGPPathGradientBrush b(static_cast<const TGPGraphicsPath*>(nullptr)); return std::pair{b.GetLastStatus(), InvalidParameter}; }},
      {"path gradient path", [pts] { TGPPathGradientBrush b(pts, 3); return Both(b, [](TGPPathGradientBrush& o) { return o.GetGraphicsPath(nullptr); }); }},
      {"image save add", [] { TGPBitmap i(2, 2); return Both(i, [](TGPBitmap& o) { return o.SaveAdd(nullptr, nullptr); }); }},
      {"bitmap of no graphics", [] { TGPBitmap b(2, 2, static_cast<const TGPGraphics*>(nullptr)); return std::pair{b.GetLastStatus(), InvalidParameter}; }},
      {"cached bitmap", [] { TGPCachedBitmap c(nullptr, nullptr); return std::pair{c.GetLastStatus(), InvalidParameter}; }},
      {"font family", [] { TGPFont f(QStringLiteral("DejaVu Sans"), 8); return Both(f, [](TGPFont& o) { return o.GetFamily(nullptr); }); }},
      {"font log font", [] { TGPFont f(QStringLiteral("DejaVu Sans"), 8); return Both(f, [](TGPFont& o) { return o.GetLogFontW(nullptr, nullptr); }); }},
      {"path copy", [] { TGPGraphicsPath p(static_cast<const TGPGraphicsPath*>(nullptr)); return std::pair{p.GetLastStatus(), InvalidParameter}; }},
      {"path widen", [] { TGPGraphicsPath p; return Both(p, [](TGPGraphicsPath& o) { return o.Widen(nullptr); }); }},
      {"path data", [] { TGPGraphicsPath p; return Both(p, [](TGPGraphicsPath& o) { return o.GetPathData(nullptr); }); }},
      {"draw line", [] { Surface s; return Both(s.g(), [](TGPGraphics& o) { return o.DrawLine(nullptr, 0, 0, 4, 4); }); }},
      {"draw polygon", [pts] { Surface s; return Both(s.g(), [pts](TGPGraphics& o) { return o.DrawPolygon(nullptr, pts, 3); }); }},
      {"fill rectangle", [] { Surface s; return Both(s.g(), [](TGPGraphics& o) { return o.FillRectangle(nullptr, 0, 0, 4, 4); }); }},
      {"fill path", [] { Surface s; TGPSolidBrush b(0xFF000000u); return Both(s.g(), [&b](TGPGraphics& o) { return o.FillPath(&b, nullptr); }); }},
      {"fill region", [] { Surface s; TGPSolidBrush b(0xFF000000u); return Both(s.g(), [&b](TGPGraphics& o) { return o.FillRegion(&b, nullptr); }); }},
      {"draw path", [] { Surface s; return Both(s.g(), [](TGPGraphics& o) { return o.DrawPath(nullptr, nullptr); }); }},
      {"draw image", [] { Surface s; return Both(s.g(), [](TGPGraphics& o) { return o.DrawImage(static_cast<const TGPImage*>(nullptr), 0, 0); }); }},
      {"draw cached bitmap", [] { Surface s; return Both(s.g(), [](TGPGraphics& o) { return o.DrawCachedBitmap(nullptr, 0, 0); }); }},
      {"clip region", [] { Surface s; return Both(s.g(), [](TGPGraphics& o) { return o.SetClip(static_cast<const TGPRegion*>(nullptr)); }); }},
      {"clip graphics", [] { Surface s; return Both(s.g(), [](TGPGraphics& o) { return o.SetClip(static_cast<const TGPGraphics*>(nullptr)); }); }},
      {"get clip", [] { Surface s; return Both(s.g(), [](TGPGraphics& o) { return o.GetClip(nullptr); }); }},
      {"world transform", [] { Surface s; return Both(s.g(), [](TGPGraphics& o) { return o.SetTransform(nullptr); }); }},
  };
  for (const NullCase& c : cases) {
    SCOPED_TRACE(c.name);
    const auto [returned, recorded] = c.run();
    EXPECT_EQ(returned, InvalidParameter);
    EXPECT_EQ(recorded, InvalidParameter);
  }
}

// A null wrapper where null is allowed passes a null handle.
GpGraphics* seenGraphics = reinterpret_cast<GpGraphics*>(1);
Status RecordVisibleGraphics(GpRegion*, REAL, REAL, GpGraphics* graphics, BOOL* result) {
  seenGraphics = graphics;
  *result = TRUE;
  return Ok;
}

TEST_F(GdipConventions, NullAllowedArgumentsPassANullHandle) {
  TGPRegion region;
  EntryOverride o(GdipIsVisibleRegionPoint, &RecordVisibleGraphics);
  EXPECT_TRUE(region.IsVisible(1.5f, 2.5f, nullptr));
  EXPECT_EQ(seenGraphics, nullptr);

  // Pen, path, font, format and brush may be null where the Parts allow it:
  // the library answers, nothing breaks.
  Surface s;
  TGPFont font(QStringLiteral("DejaVu Sans"), 10, FontStyleRegular, UnitPixel);
  TGPSolidBrush black(0xFF000000u);
  EXPECT_EQ(s.g().DrawString(QStringLiteral("A"), &font, TGPRectF{0, 0, 20, 20}, nullptr, &black), Ok);
  EXPECT_NE(s.g().DrawString(QStringLiteral("A"), nullptr, TGPRectF{0, 0, 20, 20}, nullptr, &black), Ok);
  TGPGraphicsPath path;
  EXPECT_EQ(path.AddPath(nullptr, true), InvalidParameter);
  EXPECT_EQ(path.AddString(QStringLiteral("x"), -1, nullptr, 0, 10, TGPPointF{0, 0}, nullptr),
            InvalidParameter);
}

// ---------------------------------------------------------------------------
// Getters after a failed call

TEST_F(GdipConventions, GettersAnswerTheirStartValuesWhenTheCallFails) {
  // Wrappers holding no native object: every call fails.
  TGPGraphics g(static_cast<const TGPImage*>(nullptr));
  EXPECT_EQ(g.GetSmoothingMode(), SmoothingModeInvalid);
  EXPECT_EQ(g.GetInterpolationMode(), InterpolationModeInvalid);
  EXPECT_EQ(g.GetPixelOffsetMode(), PixelOffsetModeInvalid);
  EXPECT_EQ(g.GetCompositingQuality(), 0);
  EXPECT_EQ(g.GetTextContrast(), 0u);
  EXPECT_TRUE(g.IsVisible(TGPRect{0, 0, 2, 2}));
  EXPECT_TRUE(g.IsVisible(0.0f, 0.0f, 2.0f, 2.0f));
  EXPECT_FALSE(g.IsVisible(TGPPoint{0, 0}));
  EXPECT_FALSE(g.IsVisible(1.0f, 1.0f));
  EXPECT_FALSE(g.IsClipEmpty());
  EXPECT_EQ(g.Save(), 0u);
  EXPECT_EQ(g.BeginContainer(), 0u);
  EXPECT_EQ(g.GetDpiX(), 0.0f);
  INT x = 5, y = 5;
  g.GetRenderingOrigin(x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  EXPECT_EQ(g.GetHDC(), nullptr);
  TGPSizeF size{3, 4};
  EXPECT_NE(g.MeasureString(QStringLiteral("abc"), -1, nullptr, TGPSizeF{50, 50}, nullptr, size),
            Ok);
  EXPECT_EQ(size.Width, 3.0f);  // untouched by a failing measure
  EXPECT_EQ(size.Height, 4.0f);
  EXPECT_EQ(g.GetLastStatus(), InvalidParameter);

  TGPMatrix m(nullptr);
  EXPECT_EQ(m.OffsetX(), 0.0f);
  EXPECT_FALSE(m.IsIdentity());
  EXPECT_FALSE(m.IsInvertible());

  TGPPen pen(nullptr, Ok);
  EXPECT_EQ(pen.GetPenType(), PenTypeUnknown);
  EXPECT_EQ(pen.GetBrush(), nullptr);  // an unknown fill gives no brush
  EXPECT_EQ(pen.GetWidth(), 0.0f);
  EXPECT_EQ(pen.GetMiterLimit(), 0.0f);
  EXPECT_EQ(pen.GetDashStyle(), DashStyleSolid);
  EXPECT_EQ(pen.GetDashOffset(), 0.0f);
  EXPECT_EQ(pen.GetCompoundArrayCount(), 0);

  TGPBrush brush(nullptr, Ok);
  EXPECT_EQ(brush.GetType(), BrushType(-1));
  TGPLinearGradientBrush linear;
  EXPECT_FALSE(linear.GetGammaCorrection());
  ARGB c1 = 7, c2 = 8;
  EXPECT_NE(linear.GetLinearColors(c1, c2), Ok);
  EXPECT_EQ(c1, 7u);  // written only on success
  EXPECT_EQ(c2, 8u);
  TGPPathGradientBrush radial;
  REAL sx = 5, sy = 5;
  radial.GetFocusScales(sx, sy);
  EXPECT_EQ(sx, 0.0f);
  EXPECT_EQ(sy, 0.0f);
  TGPHatchBrush hatch;
  EXPECT_EQ(hatch.GetHatchStyle(), HatchStyleHorizontal);

  TGPFontFamily family;
  EXPECT_FALSE(family.IsAvailable());
  EXPECT_FALSE(family.IsStyleAvailable(FontStyleBold));
  EXPECT_EQ(family.GetEmHeight(FontStyleRegular), 0);
  QString name = QStringLiteral("stale");
  EXPECT_NE(family.GetFamilyName(name), Ok);
  EXPECT_TRUE(name.isEmpty());

  TGPStringFormat format(nullptr, Ok);
  EXPECT_EQ(format.GetAlignment(), StringAlignmentNear);
  EXPECT_EQ(format.GetTrimming(), StringTrimmingNone);
  EXPECT_EQ(format.GetHotkeyPrefix(), HotkeyPrefixNone);
  EXPECT_EQ(format.GetTabStopCount(), 0);
  EXPECT_EQ(format.GetDigitSubstitutionLanguage(), 0);
  EXPECT_EQ(format.GetMeasurableCharacterRangeCount(), 0);

  TGPGraphicsPath path(static_cast<GpPath*>(nullptr));
  EXPECT_EQ(path.GetFillMode(), FillModeAlternate);
  EXPECT_FALSE(path.IsVisible(0, 0));
  EXPECT_EQ(path.GetPointCount(), 0);

  TGPImage image(nullptr, Ok);
  EXPECT_EQ(image.GetPixelFormat(), 0);
  TGPSizeF dimension{9, 9};
  EXPECT_NE(image.GetPhysicalDimension(dimension), Ok);
  EXPECT_EQ(dimension.Width, 0.0f);
  UINT total = 3, count = 3;
  image.GetPropertySize(total, count);
  EXPECT_EQ(total, 0u);
  EXPECT_EQ(count, 0u);

  TGPBitmap bitmap(static_cast<GpBitmap*>(nullptr));
  ARGB pixel = 0x12345678;
  EXPECT_NE(bitmap.GetPixel(0, 0, pixel), Ok);
  EXPECT_EQ(pixel, 0u);

  TGPCustomLineCap cap;
  TLineCap start = 9, end = 9;
  cap.GetStrokeCaps(start, end);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 0);
}

TEST_F(GdipConventions, EveryOperationOnAnEmptyGraphicsFailsCleanly) {
  TGPGraphics g(static_cast<const TGPImage*>(nullptr));
  TGPPen pen(0xFF000000u);
  TGPSolidBrush brush(0xFF000000u);
  TGPGraphicsPath path;
  path.AddEllipse(0, 0, 4, 4);
  TGPRegion region;
  TGPMatrix matrix;
  TGPBitmap image(4, 4);
  TGPFont font(QStringLiteral("DejaVu Sans"), 8);
  const TGPPointF pts[4] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
  const std::vector<std::function<Status()>> calls = {
      [&] { return g.DrawLine(&pen, 0, 0, 1, 1); },
      [&] { return g.DrawLines(&pen, pts, 4); },
      [&] { return g.DrawArc(&pen, 0, 0, 4, 4, 0, 90); },
      [&] { return g.DrawBezier(&pen, pts[0], pts[1], pts[2], pts[3]); },
      [&] { return g.DrawRectangle(&pen, 0, 0, 4, 4); },
      [&] { return g.DrawEllipse(&pen, 0.0f, 0.0f, 4.0f, 4.0f); },
      [&] { return g.DrawPie(&pen, 0, 0, 4, 4, 0, 90); },
      [&] { return g.DrawPolygon(&pen, pts, 4); },
      [&] { return g.DrawPath(&pen, &path); },
      [&] { return g.DrawCurve(&pen, pts, 4, 0.5f); },
      [&] { return g.DrawClosedCurve(&pen, pts, 4); },
      [&] { return g.FillRectangle(&brush, 0, 0, 4, 4); },
      [&] { return g.FillPolygon(&brush, pts, 4); },
      [&] { return g.FillEllipse(&brush, 0, 0, 4, 4); },
      [&] { return g.FillPie(&brush, 0, 0, 4, 4, 0, 90); },
      [&] { return g.FillPath(&brush, &path); },
      [&] { return g.FillClosedCurve(&brush, pts, 4, FillModeWinding, 0.5f); },
      [&] { return g.FillRegion(&brush, &region); },
      [&] { return g.DrawString(QStringLiteral("x"), &font, TGPRectF{0, 0, 9, 9}, nullptr, &brush); },
      [&] { TGPRectF box; return g.MeasureString(QStringLiteral("x"), 1, &font, TGPPointF{0, 0}, box); },
      [&] { return g.DrawImage(&image, 0, 0); },
      [&] { return g.DrawImage(&image, pts, 3); },
      [&] { return g.DrawImage(&image, TGPRectF{0, 0, 4, 4}, 0, 0, 4, 4, UnitPixel); },
      [&] { return g.SetClip(TGPRect{0, 0, 2, 2}); },
      [&] { return g.SetClip(&path); },
      [&] { return g.IntersectClip(&region); },
      [&] { return g.ResetClip(); },
      [&] { return g.TranslateClip(1, 1); },
      [&] { return g.GetClip(&region); },
      [&] { TGPRectF r; return g.GetClipBounds(r); },
      [&] { return g.SetTransform(&matrix); },
      [&] { return g.RotateTransform(30); },
      [&] { return g.GetTransform(&matrix); },
      [&] { TGPPointF p{1, 1}; return g.TransformPoints(CoordinateSpaceDevice, CoordinateSpaceWorld, &p, 1); },
      [&] { return g.Restore(0); },
      [&] { return g.EndContainer(0); },
      [&] { return g.SetPageUnit(UnitPixel); },
      [&] { return g.SetSmoothingMode(SmoothingModeAntiAlias); },
      [&] { return g.Clear(0xFF000000u); },
  };
  for (size_t i = 0; i < calls.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_NE(calls[i](), Ok);
    EXPECT_NE(g.GetLastStatus(), Ok);
  }
}

// ---------------------------------------------------------------------------
// Buffers passed with counts

constexpr REAL kSentinel = -777.0f;

// A buffer of n entries followed by sentinels that must stay untouched.
template <class T>
struct Guarded {
  explicit Guarded(size_t n, T fill) : n(n), data(n + 4, fill) {}
  T* get() { return data.data(); }
  bool TailIntact(T sentinel) const {
    for (size_t i = n; i < data.size(); ++i)
      if (data[i] != sentinel) return false;
    return true;
  }
  size_t n;
  std::vector<T> data;
};

// Counts calls of an entry that must not be reached.
int forbiddenCalls = 0;

TEST_F(GdipConventions, DashAndCompoundBuffersAreCheckedAgainstThePen) {
  TGPPen pen(0xFF000000u, 2);
  const REAL dashes[4] = {1, 2, 3, 4};
  ASSERT_EQ(pen.SetDashPattern(dashes, 4), Ok);
  ASSERT_EQ(pen.GetDashPatternCount(), 4);
  {
    EntryOverride o(GdipGetPenDashArray, +[](GpPen*, REAL*, INT) {
      ++forbiddenCalls;
      return Ok;
    });
    forbiddenCalls = 0;
    Guarded<REAL> small(2, kSentinel);
    EXPECT_EQ(pen.GetDashPattern(small.get(), 2), InsufficientBuffer);
    EXPECT_EQ(pen.GetDashPattern(nullptr, 4), InvalidParameter);
    EXPECT_EQ(pen.GetDashPattern(small.get(), 0), InvalidParameter);
    EXPECT_EQ(forbiddenCalls, 0);
    EXPECT_EQ(pen.GetLastStatus(), InvalidParameter);
  }
  Guarded<REAL> large(6, kSentinel);
  EXPECT_EQ(pen.GetDashPattern(large.get(), 6), Ok);  // the pattern fills the first four
  EXPECT_EQ(std::vector<REAL>(large.data.begin(), large.data.begin() + 4),
            std::vector<REAL>(dashes, dashes + 4));
  EXPECT_EQ(large.data[4], kSentinel);
  EXPECT_TRUE(large.TailIntact(kSentinel));
  EXPECT_EQ(pen.SetDashPattern(dashes, 0), InvalidParameter);
  EXPECT_EQ(pen.SetDashPattern(nullptr, 2), InvalidParameter);

  const REAL compound[4] = {0, 0.25f, 0.75f, 1};
  ASSERT_EQ(pen.SetCompoundArray(compound, 4), Ok);
  Guarded<REAL> three(3, kSentinel);
  EXPECT_EQ(pen.GetCompoundArray(three.get(), 3), InsufficientBuffer);
  EXPECT_EQ(pen.GetCompoundArray(three.get(), 0), InvalidParameter);
  Guarded<REAL> four(4, kSentinel);
  EXPECT_EQ(pen.GetCompoundArray(four.get(), 4), Ok);
  EXPECT_EQ(four.data[3], 1.0f);
  EXPECT_TRUE(four.TailIntact(kSentinel));
}

TEST_F(GdipConventions, BlendBuffersAreChecked) {
  TGPLinearGradientBrush linear(TGPPointF{0, 0}, TGPPointF{10, 0}, 0xFF000000u, 0xFFFFFFFFu);
  const REAL factors[3] = {0, 0.2f, 1}, positions[3] = {0, 0.5f, 1};
  EXPECT_EQ(linear.SetBlend(factors, positions, 0), InvalidParameter);
  EXPECT_EQ(linear.SetBlend(nullptr, positions, 3), InvalidParameter);
  EXPECT_EQ(linear.SetBlend(factors, nullptr, 3), InvalidParameter);
  ASSERT_EQ(linear.SetBlend(factors, positions, 3), Ok);
  EXPECT_EQ(linear.GetBlendCount(), 3);
  Guarded<REAL> f2(2, kSentinel), p2(2, kSentinel);
  EXPECT_EQ(linear.GetBlend(f2.get(), p2.get(), 2), InsufficientBuffer);
  EXPECT_TRUE(f2.TailIntact(kSentinel));
  Guarded<REAL> f5(5, kSentinel), p5(5, kSentinel);
  EXPECT_EQ(linear.GetBlend(f5.get(), p5.get(), 5), Ok);
  EXPECT_EQ(f5.data[1], 0.2f);
  EXPECT_EQ(p5.data[1], 0.5f);
  EXPECT_EQ(f5.data[3], kSentinel);
  EXPECT_TRUE(f5.TailIntact(kSentinel) && p5.TailIntact(kSentinel));

  const ARGB colors[3] = {0xFF000000u, 0xFF808080u, 0xFFFFFFFFu};
  ASSERT_EQ(linear.SetInterpolationColors(colors, positions, 3), Ok);
  Guarded<ARGB> c2(2, 0xDEADBEEFu);
  Guarded<REAL> q2(2, kSentinel);
  // The library would fill only two of the three without saying so.
  EXPECT_EQ(linear.GetInterpolationColors(c2.get(), q2.get(), 2), InsufficientBuffer);
  EXPECT_EQ(c2.data[0], 0xDEADBEEFu);
  Guarded<ARGB> c3(3, 0xDEADBEEFu);
  Guarded<REAL> q3(3, kSentinel);
  EXPECT_EQ(linear.GetInterpolationColors(c3.get(), q3.get(), 3), Ok);
  EXPECT_EQ(c3.data[1], 0xFF808080u);
  EXPECT_TRUE(c3.TailIntact(0xDEADBEEFu));

  const TGPPointF square[4] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  TGPPathGradientBrush radial(square, 4);
  EXPECT_EQ(radial.SetBlend(factors, positions, -1), InvalidParameter);
  ASSERT_EQ(radial.SetBlend(factors, positions, 3), Ok);
  Guarded<REAL> rf(1, kSentinel), rp(1, kSentinel);
  EXPECT_EQ(radial.GetBlend(rf.get(), rp.get(), 1), InsufficientBuffer);
  EXPECT_TRUE(rf.TailIntact(kSentinel));
}

TEST_F(GdipConventions, TabStopsAndPathContentsAreChecked) {
  TGPStringFormat format;
  const REAL stops[3] = {10, 20, 30};
  ASSERT_EQ(format.SetTabStops(5, 3, stops), Ok);
  REAL first = 0;
  Guarded<REAL> one(1, kSentinel);
  EXPECT_EQ(format.GetTabStops(1, &first, one.get()), InsufficientBuffer);
  EXPECT_TRUE(one.TailIntact(kSentinel));
  Guarded<REAL> three(3, kSentinel);
  EXPECT_EQ(format.GetTabStops(3, &first, three.get()), Ok);
  EXPECT_EQ(first, 5.0f);
  EXPECT_EQ(three.data[2], 30.0f);
  EXPECT_TRUE(three.TailIntact(kSentinel));

  TGPGraphicsPath path;
  path.AddRectangle(TGPRectF{0, 0, 5, 5});
  Guarded<BYTE> types(2, 0xEE);
  EXPECT_EQ(path.GetPathTypes(types.get(), 2), InsufficientBuffer);
  EXPECT_TRUE(types.TailIntact(0xEE));
  std::vector<TGPPoint> points(8, TGPPoint{-9, -9});
  EXPECT_EQ(path.GetPathPoints(points.data(), 8), Ok);
  EXPECT_EQ(points[2].X, 5);
  EXPECT_EQ(points[2].Y, 5);
  EXPECT_EQ(points[4].X, -9);  // beyond the path's four points
}

TEST_F(GdipConventions, RegionScansAreCheckedAgainstTheCallersBuffer) {
  TGPRegion region(TGPRect{0, 0, 5, 5});
  region.Union(TGPRect{10, 10, 5, 5});
  TGPMatrix identity;
  ASSERT_EQ(region.GetRegionScansCount(&identity), 2u);
  std::vector<TGPRect> rects(3, TGPRect{-1, -1, -1, -1});
  INT count = 1;  // room for one: the library would write both
  EXPECT_EQ(region.GetRegionScans(&identity, rects.data(), count), InsufficientBuffer);
  EXPECT_EQ(count, 2);  // how many are needed
  EXPECT_EQ(rects[1].X, -1);
  count = 3;
  EXPECT_EQ(region.GetRegionScans(&identity, rects.data(), count), Ok);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(rects[1].X, 10);
  EXPECT_EQ(rects[1].Width, 5);
  EXPECT_EQ(rects[2].X, -1);
  INT onlyCount = 0;
  EXPECT_EQ(region.GetRegionScans(&identity, static_cast<TGPRectF*>(nullptr), onlyCount), Ok);
  EXPECT_EQ(onlyCount, 2);
}

TEST_F(GdipConventions, CharacterRangesAreCheckedAgainstTheRegions) {
  Surface s(60, 20);
  TGPFont font(QStringLiteral("DejaVu Sans"), 10, FontStyleRegular, UnitPixel);
  TGPStringFormat format;
  const TCharacterRange ranges[2] = {{0, 2}, {2, 2}};
  ASSERT_EQ(format.SetMeasurableCharacterRanges(2, ranges), Ok);
  TGPRegion first, second;
  std::array<TGPRegion*, 2> regions{&first, &second};
  const TGPRectF layout{0, 0, 60, 20};
  s.g().DrawLine(nullptr, 0, 0, 1, 1);  // an older failure
  EXPECT_EQ(s.g().GetLastStatus(), InvalidParameter);
  const auto measure = [&](INT n, std::span<TGPRegion* const> rs) {
    return s.g().MeasureCharacterRanges(QStringLiteral("abcd"), -1, &font, layout, &format, n, rs);
  };
  EXPECT_EQ(measure(0, regions), InvalidParameter);
  EXPECT_EQ(measure(3, regions), InvalidParameter);  // more than the regions given
  std::array<TGPRegion*, 2> withNull{&first, nullptr};
  EXPECT_EQ(measure(2, withNull), InvalidParameter);
  EXPECT_EQ(s.g().GetLastStatus(), Ok);  // returned, not recorded

  ASSERT_EQ(measure(2, regions), Ok);
  TGPRectF a{}, b{};
  first.GetBounds(a, &s.g());
  second.GetBounds(b, &s.g());
  EXPECT_GT(a.Width, 0.0f);
  EXPECT_GT(b.X, a.X);  // the second pair follows the first
}

TEST_F(GdipConventions, FontCollectionFamiliesAreCheckedAgainstTheArray) {
  // The binding creates no native collection; the system's installed one
  // stands in for the checks that need a real list.
  class Installed : public TGPFontCollection {
   public:
    Installed() { GdipNewInstalledFontCollection(&nativeFontCollection); }
  };
  Installed collection;
  const INT available = collection.GetFamilyCount();
  ASSERT_GE(available, 2);
  TGPFontFamily a, b, c;
  std::array<TGPFontFamily*, 3> families{&a, nullptr, &c};
  INT found = -1;
  EXPECT_EQ(collection.GetFamilies(0, families, found), InvalidParameter);
  EXPECT_EQ(collection.GetFamilies(4, families, found), InvalidParameter);  // beyond the array
  EXPECT_EQ(collection.GetFamilies(1, std::span<TGPFontFamily* const>(), found), InvalidParameter);
  EXPECT_EQ(found, -1);
  EXPECT_EQ(collection.GetFamilies(3, families, found), Ok);
  EXPECT_EQ(found, 3);
  EXPECT_TRUE(a.IsAvailable());
  EXPECT_TRUE(c.IsAvailable());
  EXPECT_FALSE(b.IsAvailable());  // the null entry was skipped
  QString nameA, nameC;
  a.GetFamilyName(nameA);
  c.GetFamilyName(nameC);
  EXPECT_FALSE(nameA.isEmpty());
  EXPECT_NE(nameA, nameC);
}

TEST_F(GdipConventions, PathDataArraysFollowThePath) {
  TGPGraphicsPath empty;
  TPathData data;
  EXPECT_EQ(empty.GetPathData(&data), Ok);
  EXPECT_EQ(data.Count, 0);
  EXPECT_EQ(data.Points, nullptr);
  EXPECT_EQ(data.Types, nullptr);

  TGPGraphicsPath big;
  big.AddRectangle(TGPRectF{0, 0, 4, 4});
  big.AddRectangle(TGPRectF{10, 10, 4, 4});
  ASSERT_EQ(big.GetPathData(&data), Ok);
  EXPECT_EQ(data.Count, 8);
  EXPECT_EQ(data.Points[6].X, 14.0f);
  const PGPPointF points = data.Points;
  const BYTE* types = data.Types;

  TGPGraphicsPath small;
  small.AddLine(1, 2, 3, 4);
  ASSERT_EQ(small.GetPathData(&data), Ok);
  EXPECT_EQ(data.Points, points);  // large enough arrays are kept
  EXPECT_EQ(data.Types, types);
  EXPECT_EQ(data.Count, 2);        // and Count says what was delivered
  EXPECT_EQ(data.Points[1].X, 3.0f);

  // A Count the caller raised beyond the arrays does not let the library
  // write past them: the arrays are made anew.
  TPathData forged;
  forged.Count = 8;
  forged.Points = static_cast<PGPPointF>(std::malloc(sizeof(TGPPointF)));
  forged.Types = static_cast<BYTE*>(std::malloc(1));
  ASSERT_EQ(big.GetPathData(&forged), Ok);
  EXPECT_EQ(forged.Count, 8);
  EXPECT_EQ(forged.Allocated, 8);
  EXPECT_EQ(forged.Points[7].Y, 14.0f);
}

// ---------------------------------------------------------------------------
// Arguments the wrappers add themselves

ColorChannelFlags seenChannel = ColorChannelFlagsC;
BOOL seenEnable = 5;
Status RecordOutputChannel(GpImageAttributes*, ColorAdjustType, BOOL enable,
                           ColorChannelFlags flags) {
  seenEnable = enable;
  seenChannel = flags;
  return Ok;
}

TEST_F(GdipConventions, ClearingAnAttributePassesItsEmptyValue) {
  TGPImageAttributes attributes;
  EntryOverride o(GdipSetImageAttributesOutputChannel, &RecordOutputChannel);
  EXPECT_EQ(attributes.SetOutputChannel(ColorChannelFlagsM, ColorAdjustTypeBitmap), Ok);
  EXPECT_EQ(seenChannel, ColorChannelFlagsM);
  EXPECT_EQ(seenEnable, BOOL(-1));  // true as all bits set
  EXPECT_EQ(attributes.ClearOutputChannel(ColorAdjustTypeBitmap), Ok);
  EXPECT_EQ(seenChannel, ColorChannelFlagsLast);
  EXPECT_EQ(seenEnable, FALSE);
}

Unit seenPenUnit = UnitInch;
Status RecordPen1(ARGB, REAL, Unit unit, GpPen** pen) {
  seenPenUnit = unit;
  *pen = nullptr;
  return OutOfMemory;
}
FillMode seenFillMode = FillModeWinding;
Status RecordFillPolygon(GpGraphics*, GpBrush*, const GpPointF*, INT, FillMode mode) {
  seenFillMode = mode;
  return Ok;
}
WrapMode seenWrap = WrapModeClamp;
Status RecordLineBrush(const GpPointF*, const GpPointF*, ARGB, ARGB, WrapMode wrap,
                       GpLineGradient** brush) {
  seenWrap = wrap;
  *brush = nullptr;
  return Ok;
}

TEST_F(GdipConventions, FixedArgumentsReachTheLibrary) {
  {
    EntryOverride o(GdipCreatePen1, &RecordPen1);
    TGPPen pen(0xFF000000u, 3);
    EXPECT_EQ(seenPenUnit, UnitWorld);
    EXPECT_EQ(pen.GetLastStatus(), OutOfMemory);
  }
  {
    EntryOverride o(GdipCreateLineBrush, &RecordLineBrush);
    TGPLinearGradientBrush brush(TGPPointF{0, 0}, TGPPointF{1, 1}, 0, 0);
    EXPECT_EQ(seenWrap, WrapModeTile);
  }
  Surface s;
  TGPSolidBrush brush(0xFF000000u);
  const TGPPointF pts[3] = {{0, 0}, {4, 0}, {0, 4}};
  EntryOverride o(GdipFillPolygon, &RecordFillPolygon);
  EXPECT_EQ(s.g().FillPolygon(&brush, pts, 3), Ok);
  EXPECT_EQ(seenFillMode, FillModeAlternate);
}

TEST_F(GdipConventions, TextLengthsStayInsideTheText) {
  Surface a(60, 20), b(60, 20), c(60, 20);
  TGPFont font(QStringLiteral("DejaVu Sans"), 12, FontStyleRegular, UnitPixel);
  TGPSolidBrush black(0xFF000000u);
  const QString text = QStringLiteral("Wq");
  const TGPRectF layout{0, 0, 60, 20};
  ASSERT_EQ(a.g().DrawString(text, -1, &font, layout, nullptr, &black), Ok);
  ASSERT_EQ(b.g().DrawString(text, 500, &font, layout, nullptr, &black), Ok);
  ASSERT_EQ(c.g().DrawString(text, &font, layout, nullptr, &black), Ok);
  EXPECT_EQ(a.image(), b.image());
  EXPECT_EQ(a.image(), c.image());
  EXPECT_FALSE(a.Ink().isEmpty());
}

TEST_F(GdipConventions, CallsWithoutTheLibraryAnswerNotImplemented) {
  FinalizeKitGDIPlusClasses();  // the table is unloaded: every entry is null
  TGPMatrix m;
  EXPECT_EQ(m.GetLastStatus(), NotImplemented);
  EXPECT_FALSE(m.IsIdentity());
  EXPECT_EQ(m.GetLastStatus(), NotImplemented);
  TGPImage image(QStringLiteral("/nonexistent.png"));
  EXPECT_EQ(image.GetLastStatus(), NotImplemented);
  TGPFont font(QStringLiteral("DejaVu Sans"), 10);
  EXPECT_FALSE(font.IsAvailable());
  EXPECT_EQ(TGPFontFamily::GenericSansSerif()->GetLastStatus(), NotImplemented);
  InitializeKitGDIPlusClasses();  // for the fixture's end
}

TEST_F(GdipConventions, WrappersOutlivingTheTableAreDestroyedSafely) {
  // A pen that tells its handle, so the test can free it afterwards.
  class Pen : public TGPPen {
   public:
    using TGPPen::TGPPen;
    GpPen* Handle() const { return nativePen; }
  };
  auto pen = std::make_unique<Pen>(0xFF000000u, 1.0f);
  ASSERT_EQ(pen->GetLastStatus(), Ok);
  GpPen* handle = pen->Handle();
  FinalizeKitGDIPlusClasses();
  EXPECT_EQ(pen->SetWidth(2), NotImplemented);
  pen.reset();  // its delete entry is gone: nothing is called
  InitializeKitGDIPlusClasses();
  auto deletePen = reinterpret_cast<PFN_GdipDeletePen>(GdiplusProc("GdipDeletePen"));
  EXPECT_EQ(deletePen(handle), Ok);  // still there: the destructor called nothing
}

}  // namespace
}  // namespace gdiptest
