// The facade's own rules, observed on a recording context: what is filled
// and stroked, texture placement, picture geometry, colour text, hit tests,
// path conversion, text routing, and each setter reaching the context once.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

#include "foundation/KitGraphics.h"
#include "platform/rtl/SysUtils.h"
#include "tests/foundation/KitGraphicsFakeContext.h"

namespace {

// A picture of w x h pixels in one colour.
std::unique_ptr<TKitBitmap> Picture(int w, int h, QRgb colour = 0xFF2080C0) {
  QImage image(w, h, QImage::Format_ARGB32);
  image.fill(colour);
  TBitmap bitmap;
  bitmap.AssignImage(image);
  auto picture = std::make_unique<TKitBitmap>();
  picture->Assign(&bitmap);
  return picture;
}

struct ShapeCase {
  const char* Name;
  TKitGraphicsFillKind FillKind;
  TColor FillColor;
  TKitGraphicsStrokeKind StrokeKind;
  TColor StrokeColor;
  bool WithTexture;
  QStringList Rectangle, Ellipse, RoundRect, Arc, Line, Polygon;
};

class FacadeShapes : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(FacadeShapes, FillsBeforeStrokingAndOnlyWhatIsVisible) {
  const ShapeCase& c = GetParam();
  auto texture = Picture(4, 4);
  TRecordedFacade f;
  f->Fill()->BeginUpdate();
  f->Fill()->SetKind(c.FillKind);
  f->Fill()->SetColor(c.FillColor);
  f->Fill()->SetTextureMode(gtmTile);
  if (c.WithTexture) f->Fill()->SetTexture(texture.get());
  f->Fill()->EndUpdate();
  f->Stroke()->BeginUpdate();
  f->Stroke()->SetKind(c.StrokeKind);
  f->Stroke()->SetColor(c.StrokeColor);
  f->Stroke()->EndUpdate();
  auto run = [&](auto draw) {
    f.Fake().Calls.clear();
    draw();
    QStringList calls = f.Fake().Drawing();
    for (QString& s : calls) s = s.section(QLatin1Char('('), 0, 0);
    calls.removeDuplicates();
    return calls;
  };
  EXPECT_EQ(run([&] { f->DrawRectangle(0.0, 0.0, 8.0, 8.0); }), c.Rectangle) << c.Name;
  EXPECT_EQ(run([&] { f->DrawEllipse(0.0, 0.0, 8.0, 8.0); }), c.Ellipse) << c.Name;
  EXPECT_EQ(run([&] { f->DrawRoundRectangle(0.0, 0.0, 8.0, 8.0, 2.0f); }), c.RoundRect) << c.Name;
  EXPECT_EQ(run([&] { f->DrawArc(TPointF(4, 4), TPointF(3, 3), 0, 90); }), c.Arc) << c.Name;
  EXPECT_EQ(run([&] { f->DrawLine(TPointF(0, 0), TPointF(8, 8)); }), c.Line) << c.Name;
  EXPECT_EQ(run([&] { f->DrawPolygon({TPointF(0, 0), TPointF(8, 0), TPointF(4, 8)}); }), c.Polygon) << c.Name;
}

const QStringList kNone;
INSTANTIATE_TEST_SUITE_P(
    Table, FacadeShapes,
    ::testing::Values(
        ShapeCase{"solid fill and stroke", gfkSolid, 0xFF, gskSolid, 0, false,
                  {"FillRect", "DrawRect"}, {"FillEllipse", "DrawEllipse"}, {"FillRoundRect", "DrawRoundRect"},
                  {"FillArc", "DrawArc"}, {"DrawLine"}, {"FillPolygon", "DrawPolygon"}},
        ShapeCase{"stroke colour -1", gfkSolid, 0xFF, gskSolid, -1, false, {"FillRect"}, {"FillEllipse"},
                  {"FillRoundRect"}, {"FillArc"}, kNone, {"FillPolygon"}},
        ShapeCase{"stroke kind none", gfkSolid, 0xFF, gskNone, 0, false, {"FillRect"}, {"FillEllipse"},
                  {"FillRoundRect"}, {"FillArc"}, kNone, {"FillPolygon"}},
        ShapeCase{"fill colour -1", gfkSolid, -1, gskSolid, 0, false, {"DrawRect"}, {"DrawEllipse"}, {"DrawRoundRect"},
                  {"DrawArc"}, {"DrawLine"}, {"DrawPolygon"}},
        ShapeCase{"fill kind none", gfkNone, 0xFF, gskSolid, 0, false, {"DrawRect"}, {"DrawEllipse"}, {"DrawRoundRect"},
                  {"DrawArc"}, {"DrawLine"}, {"DrawPolygon"}},
        // The texture is painted by the facade as pictures, even with the
        // colour -1, except by DrawArc.
        ShapeCase{"texture with colour -1", gfkTexture, -1, gskNone, 0, true, {"DrawBitmap"}, {"DrawBitmap"},
                  {"DrawBitmap"}, kNone, kNone, {"DrawBitmap"}},
        ShapeCase{"texture kind without picture", gfkTexture, 0xFF, gskNone, 0, false, kNone, kNone, kNone, kNone,
                  kNone, kNone}));

TEST(KitGraphicsFacade, EachSetterReachesTheContextOnce) {
  struct Case {
    const char* Name;
    std::function<void(TKitGraphics*)> Act;
    const char* Expected;
  };
  const std::vector<Case> cases = {
      {"SetFillColor", [](TKitGraphics* g) { g->SetFillColor(0xFF); }, "SetFillColor"},
      {"SetFillKind", [](TKitGraphics* g) { g->SetFillKind(gfkGradient); }, "SetFillKind"},
      {"SetStrokeColor", [](TKitGraphics* g) { g->SetStrokeColor(0xFF); }, "SetStrokeColor"},
      {"SetStrokeKind", [](TKitGraphics* g) { g->SetStrokeKind(gskDash); }, "SetStrokeKind"},
      {"SetStrokeWidth", [](TKitGraphics* g) { g->SetStrokeWidth(3); }, "SetStrokeWidth"},
      {"SetFontColor", [](TKitGraphics* g) { g->SetFontColor(0xFF); }, "SetFontColor"},
      {"SetFontName", [](TKitGraphics* g) { g->SetFontName(QStringLiteral("Courier New")); }, "SetFontName"},
      {"SetFontSize", [](TKitGraphics* g) { g->SetFontSize(20); }, "SetFontSize"},
      {"SetFontStyles", [](TKitGraphics* g) { g->SetFontStyles(TFontStyles{fsBold}); }, "SetFontStyles"},
      {"Fill changed directly", [](TKitGraphics* g) { g->Fill()->SetColor(0xFF); }, "SetFill"},
      {"Stroke changed directly", [](TKitGraphics* g) { g->Stroke()->SetWidth(4); }, "SetStroke"},
      {"Font changed directly", [](TKitGraphics* g) { g->Font()->SetSize(30); }, "SetFont"},
      {"SetFill", [](TKitGraphics* g) {
         TKitGraphicsFill fill(gfkSolid, 0xFF);
         g->SetFill(&fill);
       }, "SetFill"},
  };
  for (const Case& c : cases) {
    TRecordedFacade f;
    c.Act(f.Facade.get());
    EXPECT_EQ(f.Fake().Calls, QStringList{QString::fromLatin1(c.Expected)}) << c.Name;
  }
  // The facade's own objects follow the setters.
  TRecordedFacade f;
  f->SetStrokeWidth(3);
  f->SetFillColor(0x123456);
  EXPECT_EQ(f->Stroke()->Width(), 3);
  EXPECT_EQ(f->Fill()->Color(), 0x123456);
}

TEST(KitGraphicsFacade, AssignHandsEachObjectOnOnce) {
  TRecordedFacade source;
  source->Fill()->SetColor(0x111111);
  source->Stroke()->SetColor(0x222222);
  source->Font()->SetSize(17);
  TRecordedFacade f;
  f->Assign(source.Facade.get());
  EXPECT_EQ(f.Fake().Calls, (QStringList{"SetFill", "SetStroke", "SetFont"}));
  EXPECT_EQ(f->Fill()->Color(), 0x111111);
  EXPECT_EQ(f->Stroke()->Color(), 0x222222);
  EXPECT_EQ(f->Font()->Size(), 17);
  f.Fake().Calls.clear();
  f->Assign(nullptr);
  EXPECT_TRUE(f.Fake().Calls.isEmpty());
}

TEST(KitGraphicsFacade, SaveAndRestoreStateBringBackTheAttributes) {
  TRecordedFacade f;
  f->SetFillColor(0x0000FF);
  TKitGraphicsSaveState* state = f->SaveState(false);
  f->SetFillColor(0x00FF00);
  f->RestoreState(state, false);
  EXPECT_EQ(f->Fill()->Color(), 0x0000FF);
  EXPECT_EQ(f.Fake().Count("RestoreState"), 1);
}

TEST(KitGraphicsFacade, AspectSizesAndDrawRectangles) {
  TRecordedFacade f;
  struct Case {
    float OW, OH, NW, NH;
    bool Aspect, Stretch;
    float W, H;
  };
  const Case cases[] = {
      {100, 50, 40, 40, true, false, 40, 20},   {100, 50, 400, 400, true, false, 100, 50},
      {100, 50, 400, 400, true, true, 400, 200}, {100, 50, 0, 400, true, false, 0, 0},
      {0, 50, 40, 40, true, false, 0, 0},        {100, 50, 40, 40, false, true, 40, 40},
      {100, 50, 40, 40, false, false, 100, 50},  {50, 100, 40, 40, true, false, 20, 40},
  };
  for (const Case& c : cases) {
    float w = -1, h = -1;
    f->GetAspectSize(w, h, c.OW, c.OH, c.NW, c.NH, c.Aspect, c.Stretch, false);
    EXPECT_FLOAT_EQ(w, c.W) << c.OW << "x" << c.OH << " in " << c.NW << "x" << c.NH;
    EXPECT_FLOAT_EQ(h, c.H) << c.OW << "x" << c.OH << " in " << c.NW << "x" << c.NH;
  }
  auto picture = Picture(10, 10);
  // 2.5 rounds to the even 2.
  EXPECT_EQ(f->GetBitmapDrawRectangle(TRectF(0, 0, 15, 15), picture.get(), true, false, true, false),
            TRectF(2, 2, 12, 12));
  EXPECT_EQ(f->GetBitmapDrawRectangle(TRectF(0, 0, 15, 15), picture.get(), true, false, false, false),
            TRectF(0, 0, 10, 10));
  EXPECT_EQ(f->GetBitmapDrawRectangle(TRectF(0, 0, 15, 15), nullptr), TRectF(0, 0, 0, 0));
  EXPECT_EQ(f->GetBitmapDrawRectangle(TRect(0, 0, 15, 15), picture.get()), TRect(2, 2, 12, 12));
}

TEST(KitGraphicsFacade, TextureModesPlaceThePicture) {
  struct Case {
    TKitGraphicsTextureMode Mode;
    QStringList Draws;
  };
  // The rectangle is 25 x 5 at (0, 0); the texture 10 x 10.
  const Case cases[] = {
      // Columns 0, 1 and 2; the third tile reaches 5 pixels beyond.
      {gtmTile, {"DrawBitmap(0,0,10,10)", "DrawBitmap(10,0,20,10)", "DrawBitmap(20,0,30,10)"}},
      {gtmStretch, {"DrawBitmap(0,0,25,5)"}},
      {gtmOriginal, {"DrawBitmap(0,0,10,5)"}},
      {gtmFit, {"DrawBitmap(10,0,15,5)"}},
      // Offsets rounded to whole pixels: 7.5 to 8 and -2.5 to -2.
      {gtmCenter, {"DrawBitmap(8,-2,18,8)"}},
  };
  auto texture = Picture(10, 10);
  for (const Case& c : cases) {
    TRecordedFacade f;
    f->Fill()->SetKind(gfkTexture);
    f->Fill()->SetTextureMode(c.Mode);
    f->Fill()->SetTexture(texture.get());
    f->Stroke()->SetKind(gskNone);
    f.Fake().Calls.clear();
    f->DrawRectangle(0.0, 0.0, 25.0, 5.0);
    EXPECT_EQ(f.Fake().Drawing(), c.Draws) << int(c.Mode);
  }
}

TEST(KitGraphicsFacade, ColourText) {
  EXPECT_EQ(TKitGraphics::HTMLToColor(QStringLiteral("#F0A")), TColor(0xFF | 0x00 << 8 | 0xAA << 16));
  EXPECT_EQ(TKitGraphics::HTMLToColor(QString()), -1);
  EXPECT_EQ(TKitGraphics::HTMLToColor(QStringLiteral("#102030")), TColor(0x302010));
  // The first character is not checked.
  EXPECT_EQ(TKitGraphics::HTMLToColor(QStringLiteral("x102030")), TColor(0x302010));
  EXPECT_EQ(TKitGraphics::ColorToHTML(0x000000FF), QStringLiteral("#FF0000"));
  EXPECT_EQ(TKitGraphics::ColorToHTML(0x00A0B0C0), QStringLiteral("#C0B0A0"));
  // Short or damaged texts raise the conversion error instead of reading
  // past the text.
  for (const char* bad : {"#", "#1", "#12", "#12345", "#GG0000", "#12+400", "#F0Z"})
    EXPECT_THROW(TKitGraphics::HTMLToColor(QString::fromLatin1(bad)), EConvertError) << bad;

  const TColor red = TKitGraphics::TextToColor(QStringLiteral("red"));
  EXPECT_EQ(red, TColor(0x0000FF));
  EXPECT_EQ(TKitGraphics::TextToColor(QStringLiteral("clRed")), red);
  EXPECT_EQ(TKitGraphics::TextToColor(QStringLiteral("Red")), red);
  EXPECT_EQ(TKitGraphics::TextToColor(QStringLiteral("clAqua")), TColor(0xFFFF00));
  EXPECT_EQ(TKitGraphics::TextToColor(QStringLiteral("claRed")), 0);
  EXPECT_EQ(TKitGraphics::TextToColor(QStringLiteral("gcNavy")), TColor(0x800000));
  EXPECT_EQ(TKitGraphics::TextToColor(QStringLiteral("nosuchcolour")), 0);
  EXPECT_EQ(TKitGraphics::GetColorRed(0x0A0B0C), 0x0C);
  EXPECT_EQ(TKitGraphics::GetColorGreen(0x0A0B0C), 0x0B);
  EXPECT_EQ(TKitGraphics::GetColorBlue(0x0A0B0C), 0x0A);
}

TEST(KitGraphicsFacade, HitTests) {
  EXPECT_FALSE(TKitGraphics::PointInCircle(TPointF(5, 5), TPointF(5, 5), 0));
  EXPECT_TRUE(TKitGraphics::PointInCircle(TPointF(8, 9), TPointF(5, 5), 5));
  EXPECT_FALSE(TKitGraphics::PointInCircle(TPointF(9, 9), TPointF(5, 5), 5));
  EXPECT_TRUE(TKitGraphics::PointInRect(TPointF(0, 0), TRectF(0, 0, 10, 10)));
  EXPECT_FALSE(TKitGraphics::PointInRect(TPointF(10, 5), TRectF(0, 0, 10, 10)));
  EXPECT_FALSE(TKitGraphics::PointInRect(TPoint(5, 10), TRect(0, 0, 10, 10)));
  const TKitGraphicsPathPolygon triangle{TPointF(0, 0), TPointF(10, 0), TPointF(0, 10)};
  EXPECT_TRUE(TKitGraphics::PointInPolygon(TPointF(2, 2), triangle));
  EXPECT_FALSE(TKitGraphics::PointInPolygon(TPoint(8, 8), triangle));
  TKitGraphicsPath path;
  path.AddRectangle(TRectF(0, 0, 10, 10));
  EXPECT_TRUE(TKitGraphics::PointInPath(TPoint(5, 5), &path));
  EXPECT_FALSE(TKitGraphics::PointInPath(TPointF(15, 5), &path));
}

TEST(KitGraphicsFacade, ConstructionDefaults) {
  TBitmap bitmap(4, 4);
  TKitGraphics canvasFacade(bitmap.Canvas(), false);
  EXPECT_EQ(canvasFacade.HighlightColor(), TColor(0xFF0000));
  EXPECT_EQ(canvasFacade.HighlightTextColor(), TColor(0xFFFFFF));
  EXPECT_EQ(canvasFacade.Fill()->Color(), TColor(0xFFFFFF));
  EXPECT_EQ(canvasFacade.Stroke()->Color(), TColor(0xC0C0C0));
  EXPECT_EQ(canvasFacade.URLColor(), TColor(0xFF0000));
  EXPECT_TRUE(canvasFacade.URLUnderline());
  auto bitmapFacade = TKitGraphics::CreateBitmapCanvas(6, 5, false, true);
  EXPECT_EQ(bitmapFacade->HighlightColor(), 0);
  EXPECT_EQ(bitmapFacade->HighlightTextColor(), 0);
  ASSERT_NE(bitmapFacade->Bitmap(), nullptr);
  EXPECT_EQ(bitmapFacade->Bitmap()->Width(), 6);
  EXPECT_EQ(bitmapFacade->Canvas(), bitmapFacade->Bitmap()->Canvas());
}

// ConvertToPath: curves cut by their estimated length.
TEST(KitGraphicsContext, ConvertToPathCutsCurvesByLength) {
  TRecordedFacade f;
  TRecordingContext& c = f.Fake();
  TKitGraphicsPath empty;
  c.Calls.clear();
  c.ConvertToPath(&empty, 0.25f);
  EXPECT_EQ(c.Calls, QStringList{"CreatePath"});

  auto lineCount = [&](const TKitGraphicsPath& p, float flatness) {
    c.Calls.clear();
    c.ConvertToPath(const_cast<TKitGraphicsPath*>(&p), flatness);
    return c.Count("PathLineTo");
  };
  // A straight "curve" of length 10 along x.
  TKitGraphicsPath path;
  path.MoveTo(TPointF(0, 0));
  path.CurveTo(TPointF(10.0f / 3, 0), TPointF(20.0f / 3, 0), TPointF(10, 0));
  EXPECT_EQ(lineCount(path, 1.0f), 10);
  EXPECT_EQ(lineCount(path, 4.0f), 2);    // 2.5 rounds to 2
  EXPECT_EQ(lineCount(path, 6.0f), 2);    // 1.67 rounds to 2
  EXPECT_EQ(lineCount(path, 20.0f / 3), 2);  // exactly 1.5 steps gives 2
  EXPECT_EQ(lineCount(path, 8.0f), 1);    // 1.25: a single line to the end
  EXPECT_EQ(lineCount(path, 0.0f), 200);  // flatness 0 counts as 0.05
  EXPECT_EQ(lineCount(path, -3.0f), 200);
  // The end point of a short curve starts the next one.
  TKitGraphicsPath two;
  two.MoveTo(TPointF(0, 0));
  two.CurveTo(TPointF(1, 0), TPointF(2, 0), TPointF(3, 0));
  two.CurveTo(TPointF(4, 0), TPointF(5, 0), TPointF(6, 0));
  c.Calls.clear();
  c.ConvertToPath(&two, 10.0f);
  EXPECT_EQ(c.Calls, (QStringList{"CreatePath", "PathOpen", "PathMoveTo(0,0)", "PathLineTo(3,0)", "PathLineTo(6,0)"}));
  // Huge coordinates do not make millions of segments.
  TKitGraphicsPath huge;
  huge.MoveTo(TPointF(0, 0));
  huge.CurveTo(TPointF(1e30f, 0), TPointF(2e30f, 0), TPointF(3e30f, 0));
  EXPECT_LE(lineCount(huge, 0.25f), TKitGraphicsPath::MaxCurveSegments);
}

TEST(KitGraphicsText, PlainAndMarkedUpRouting) {
  TRecordedFacade f;
  TRecordingContext& c = f.Fake();
  // A plain one-line text measures one unit taller than the back-end says.
  EXPECT_EQ(f->CalculateText(QStringLiteral("abc"), TRectF(5, 6, 200, 200), false, true), TRectF(5, 6, 45, 19));
  EXPECT_EQ(f->CalculateText(QString(), TRectF(5, 6, 200, 200), false, true), TRectF(5, 6, 5, 6));
  EXPECT_EQ(f->CalculateText(QStringLiteral("abc"), TRectF(5, 6, 5, 200), false, true), TRectF(5, 6, 5, 6));

  EXPECT_FALSE(KitGraphicsIsMarkedUp(QStringLiteral("<b>bold")));
  EXPECT_TRUE(KitGraphicsIsMarkedUp(QStringLiteral("one<br>two")));
  EXPECT_TRUE(KitGraphicsIsMarkedUp(QStringLiteral("<b>x</b>")));
  EXPECT_TRUE(KitGraphicsIsMarkedUp(QStringLiteral("a<br/>")));

  // A lone opening tag is literal text for the back-end.
  c.Calls.clear();
  f->DrawText(TRectF(0, 0, 100, 20), QStringLiteral("<b>bold"));
  EXPECT_EQ(c.Drawing(), QStringList{"DrawText(<b>bold)"});
  // Marked-up text with HTML off: literal as well.
  c.Calls.clear();
  f->DrawText(TRectF(0, 0, 100, 20), QStringLiteral("<b>x</b>"), false, gtaLeading, gtaCenter, gttNone, 0, -1, -1,
              false);
  EXPECT_EQ(c.Drawing(), QStringList{"DrawText(<b>x</b>)"});
  // Marked-up text goes through the layout: the runs without tags.
  c.Calls.clear();
  f->DrawText(TRectF(0, 0, 100, 20), QStringLiteral("<b>x</b>y"));
  EXPECT_TRUE(c.Drawing().contains(QStringLiteral("DrawText(x)"))) << c.Drawing().join(u' ').toStdString();
  EXPECT_FALSE(c.Drawing().contains(QStringLiteral("DrawText(<b>x</b>y)")));
  // Testing for a link with plain text draws nothing and answers nothing.
  c.Calls.clear();
  EXPECT_EQ(f->DrawText(TRectF(0, 0, 100, 20), QStringLiteral("plain"), false, gtaLeading, gtaCenter, gttNone, 0, -1,
                        -1, true, true, 3, 3),
            QString());
  EXPECT_TRUE(c.Drawing().isEmpty());
  // The link under the point is answered for marked-up text.
  const QString link = f->DrawText(TRectF(0, 0, 200, 40), QStringLiteral("<a href=\"go\">link</a>"), false,
                                   gtaLeading, gtaLeading, gttNone, 0, -1, -1, true, true, 3, 5);
  EXPECT_EQ(link, QStringLiteral("go"));
}

TEST(KitGraphicsText, OptimizedDrawingSplitsAtTheFirstListedSeparator) {
  TRecordedFacade f;
  TRecordingContext& c = f.Fake();
  f->SetOptimizedHTMLDrawing(true);
  c.Calls.clear();
  f->DrawText(TRectF(0, 0, 300, 100), QStringLiteral("one<BR>two<br/>three</b>"));
  QStringList texts;
  for (const QString& s : c.Drawing())
    if (s.startsWith(QLatin1String("DrawText"))) texts << s;
  // "<BR>" is split at; "<br/>" stays inside the second piece and breaks
  // its line through the layout.
  EXPECT_EQ(texts.first(), QStringLiteral("DrawText(one)"));
  EXPECT_TRUE(texts.contains(QStringLiteral("DrawText(two)")));
  EXPECT_TRUE(texts.contains(QStringLiteral("DrawText(three)")));
  // Measuring adds the pieces' heights.
  const TRectF r = f->CalculateText(QStringLiteral("a<BR>b</b>"), TRectF(0, 0, 300, 100), false, true);
  EXPECT_EQ(r.Left, 0);
  EXPECT_EQ(r.Right, 300);
  EXPECT_GT(r.Height(), 0);
}

TEST(KitGraphicsText, MinimumSizes) {
  TRecordedFacade f;
  // AMinHeight of -1 or below the height leaves the rectangle; the text is
  // plain, so the back-end receives it.
  f->DrawText(TRectF(0, 0, 50, 20), QStringLiteral("x"), false, gtaLeading, gtaCenter, gttNone, 0, -1, -1);
  f->DrawText(TRectF(0, 0, 50, 20), QStringLiteral("y"), false, gtaLeading, gtaCenter, gttNone, 0, 10, 10);
  EXPECT_EQ(f.Fake().Count("DrawText"), 2);
  // The tag as given (the engines read tags in any case).
  EXPECT_EQ(TKitGraphics::ApplyHilight(QStringLiteral("a cat"), QStringLiteral("cat"), QStringLiteral("hi"), false),
            QStringLiteral("a <hi>cat</hi>"));
}

}  // namespace
