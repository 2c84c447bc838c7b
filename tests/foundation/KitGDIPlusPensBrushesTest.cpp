// Pens and brushes of the run-time GDI+ binding: the pen's colour and brush
// by fill kind, the argument checks of the gradient brushes, and settings
// that round-trip.

#include <functional>
#include <memory>
#include <typeinfo>
#include <vector>

#include "tests/foundation/KitGDIPlusTestSupport.h"

namespace gdiptest {
namespace {

using GdipPensBrushes = GdipTest;

TEST_F(GdipPensBrushes, APensColourIsReadOnlyForSolidPens) {
  TGPPen solid(0xFF123456u, 2);
  ARGB color = 0;
  EXPECT_EQ(solid.GetColor(color), Ok);
  EXPECT_EQ(color, 0xFF123456u);
  solid.SetColor(0xFF654321u);
  solid.GetColor(color);
  EXPECT_EQ(color, 0xFF654321u);

  TGPHatchBrush hatch(HatchStyleCross, 0xFF000000u, 0xFFFFFFFFu);
  TGPPen hatched(&hatch, 2);
  color = 0xABCDEF01u;
  EXPECT_EQ(hatched.GetColor(color), WrongState);
  EXPECT_EQ(color, 0xABCDEF01u);              // untouched
  EXPECT_EQ(hatched.GetLastStatus(), Ok);     // and not recorded

  // An unread failure comes back from GetColor, and the colour is not
  // delivered then.
  solid.SetTransform(nullptr);
  EXPECT_EQ(solid.GetColor(color), InvalidParameter);
  EXPECT_EQ(color, 0xABCDEF01u);
  EXPECT_EQ(solid.GetLastStatus(), InvalidParameter);
  EXPECT_EQ(solid.GetColor(color), Ok);
  EXPECT_EQ(color, 0xFF654321u);
}

TEST_F(GdipPensBrushes, APensBrushIsOfItsFillKind) {
  TGPBitmap picture(2, 2);
  const TGPPointF triangle[3] = {{0, 0}, {10, 0}, {0, 10}};
  struct Case {
    const char* name;
    std::function<std::unique_ptr<TGPPen>()> pen;
    const std::type_info& wrapper;
    BrushType type;
    Status status;  // of the new wrapper
  };
  const std::vector<Case> cases = {
      {"solid", [] { return std::make_unique<TGPPen>(0xFF00FF00u); }, typeid(TGPSolidBrush),
       BrushTypeSolidColor, Ok},
      {"hatch", [] {
         TGPHatchBrush b(HatchStyleVertical, 0xFF000000u);
         return std::make_unique<TGPPen>(&b);
       },
       typeid(TGPHatchBrush), BrushTypeHatchFill, Ok},
      {"texture", [&picture] {
         TGPTextureBrush b(&picture);
         return std::make_unique<TGPPen>(&b);
       },
       typeid(TGPTextureBrush), BrushTypeTextureFill, Ok},
      {"path gradient", [&triangle] {
         TGPPathGradientBrush b(triangle, 3);
         return std::make_unique<TGPPen>(&b);
       },
       typeid(TGPBrush), BrushTypePathGradient, NotImplemented},
      {"linear gradient", [] {
         TGPLinearGradientBrush b(TGPPoint{0, 0}, TGPPoint{5, 5}, 0xFF000000u, 0xFFFFFFFFu);
         return std::make_unique<TGPPen>(&b);
       },
       typeid(TGPLinearGradientBrush), BrushTypeLinearGradient, Ok},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<TGPPen> pen = c.pen();
    std::unique_ptr<TGPBrush> brush = pen->GetBrush();
    ASSERT_NE(brush, nullptr);
    EXPECT_EQ(typeid(*brush), c.wrapper);
    EXPECT_EQ(brush->GetType(), c.type);  // a working copy of the pen's fill
    EXPECT_EQ(brush->GetLastStatus(), c.status);
    EXPECT_EQ(pen->GetLastStatus(), Ok);
  }
}

TEST_F(GdipPensBrushes, PenSettingsRoundTrip) {
  TGPPen pen(0xFF000000u, 3);
  EXPECT_EQ(pen.GetWidth(), 3.0f);
  const REAL compound[2] = {0, 1};
  EXPECT_EQ(pen.SetCompoundArray(compound, 2), Ok);
  EXPECT_EQ(pen.GetCompoundArrayCount(), 2);
  EXPECT_EQ(pen.SetLineCap(LineCapRound, LineCapTriangle, DashCapRound), Ok);
  EXPECT_EQ(pen.GetStartCap(), LineCapRound);
  EXPECT_EQ(pen.GetEndCap(), LineCapTriangle);
  EXPECT_EQ(pen.GetDashCap(), DashCapRound);
  EXPECT_EQ(pen.SetDashCap(DashCapTriangle), Ok);
  EXPECT_EQ(pen.GetDashCap(), DashCapTriangle);
  EXPECT_EQ(pen.SetLineJoin(LineJoinRound), Ok);
  EXPECT_EQ(pen.GetLineJoin(), LineJoinRound);
  EXPECT_EQ(pen.SetMiterLimit(4), Ok);
  EXPECT_EQ(pen.GetMiterLimit(), 4.0f);
  // The library aligns no compound pen inside the figure, and says so.
  EXPECT_EQ(pen.SetAlignment(PenAlignmentInset), NotImplemented);
  EXPECT_EQ(pen.GetAlignment(), PenAlignmentCenter);
  EXPECT_EQ(pen.GetLastStatus(), NotImplemented);
  TGPPen inset(0xFF000000u, 3);
  EXPECT_EQ(inset.SetAlignment(PenAlignmentInset), Ok);
  EXPECT_EQ(inset.GetAlignment(), PenAlignmentInset);
  EXPECT_EQ(pen.SetDashStyle(DashStyleDashDot), Ok);
  EXPECT_EQ(pen.GetDashStyle(), DashStyleDashDot);
  EXPECT_EQ(pen.GetDashPatternCount(), 4);
  TGPMatrix rotate;
  rotate.Rotate(45);
  EXPECT_EQ(pen.SetTransform(&rotate), Ok);
  EXPECT_EQ(pen.ScaleTransform(2, 1), Ok);
  TGPMatrix back;
  EXPECT_EQ(pen.GetTransform(&back), Ok);
  EXPECT_FALSE(back.IsEqual(&rotate));
  EXPECT_EQ(pen.ResetTransform(), Ok);
  pen.GetTransform(&back);
  EXPECT_TRUE(back.IsIdentity());
  EXPECT_EQ(pen.TranslateTransform(1, 2), Ok);
  EXPECT_EQ(pen.RotateTransform(10, MatrixOrderAppend), Ok);
  EXPECT_EQ(pen.MultiplyTransform(&rotate), Ok);
  EXPECT_EQ(pen.GetLastStatus(), Ok);
  TGPSolidBrush green(0xFF00FF00u);
  EXPECT_EQ(pen.SetBrush(&green), Ok);
  ARGB color = 0;
  pen.GetColor(color);
  EXPECT_EQ(color, 0xFF00FF00u);
}

// Counts calls of an entry that must not be reached.
int surroundCalls = 0;
Status CountSurround(GpPathGradient*, const ARGB*, INT*) {
  ++surroundCalls;
  return Ok;
}

TEST_F(GdipPensBrushes, PathGradientSurroundColoursAreChecked) {
  const TGPPointF square[4] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  TGPPathGradientBrush brush(square, 4);
  EXPECT_EQ(brush.GetPointCount(), 4);
  const ARGB colors[5] = {0xFF000000u, 0xFF111111u, 0xFF222222u, 0xFF333333u, 0xFF444444u};
  {
    EntryOverride o(GdipSetPathGradientSurroundColorsWithCount, &CountSurround);
    surroundCalls = 0;
    INT count = 5;  // more colours than points
    EXPECT_EQ(brush.SetSurroundColors(colors, count), InvalidParameter);
    EXPECT_EQ(count, 5);
    INT one = 1;
    EXPECT_EQ(brush.SetSurroundColors(nullptr, one), InvalidParameter);
    EXPECT_EQ(surroundCalls, 0);
    EXPECT_EQ(brush.GetLastStatus(), InvalidParameter);
  }
  INT count = 4;
  ASSERT_EQ(brush.SetSurroundColors(colors, count), Ok);
  EXPECT_EQ(count, 4);
  EXPECT_EQ(brush.GetSurroundColorCount(), 4);
  ARGB two[2] = {};
  INT small = 2;
  EXPECT_EQ(brush.GetSurroundColors(two, small), InsufficientBuffer);
  EXPECT_EQ(brush.GetLastStatus(), InsufficientBuffer);
  ARGB four[4] = {};
  INT enough = 4;
  EXPECT_EQ(brush.GetSurroundColors(four, enough), Ok);
  EXPECT_EQ(enough, 4);
  EXPECT_EQ(four[3], 0xFF333333u);
  EXPECT_EQ(brush.GetSurroundColors(nullptr, enough), InvalidParameter);

  TGPPathGradientBrush empty;  // no native brush: its counts fail
  INT any = 1;
  EXPECT_EQ(empty.SetSurroundColors(colors, any), InvalidParameter);
}

TEST_F(GdipPensBrushes, InterpolationColoursNeedAColour) {
  const ARGB colors[2] = {0xFF000000u, 0xFFFFFFFFu};
  const REAL positions[2] = {0, 1};
  TGPLinearGradientBrush linear(TGPRectF{0, 0, 10, 10}, 0xFF000000u, 0xFFFFFFFFu,
                                LinearGradientModeHorizontal);
  const TGPPoint triangle[3] = {{0, 0}, {10, 0}, {0, 10}};
  TGPPathGradientBrush radial(triangle, 3);
  EXPECT_EQ(linear.SetInterpolationColors(colors, positions, 0), InvalidParameter);
  EXPECT_EQ(radial.SetInterpolationColors(colors, positions, 0), InvalidParameter);
  EXPECT_EQ(radial.SetInterpolationColors(nullptr, positions, 2), InvalidParameter);
  EXPECT_EQ(linear.GetLastStatus(), InvalidParameter);
  EXPECT_EQ(radial.GetLastStatus(), InvalidParameter);
  ARGB out[2] = {};
  REAL where[2] = {};
  EXPECT_EQ(linear.GetInterpolationColors(out, where, 0), InvalidParameter);
  EXPECT_EQ(radial.GetInterpolationColors(out, where, -1), InvalidParameter);
  ASSERT_EQ(radial.SetInterpolationColors(colors, positions, 2), Ok);
  EXPECT_EQ(radial.GetInterpolationColorCount(), 2);
  EXPECT_EQ(radial.GetInterpolationColors(out, where, 2), Ok);
  EXPECT_EQ(out[1], 0xFFFFFFFFu);
  EXPECT_EQ(where[1], 1.0f);
}

TEST_F(GdipPensBrushes, SolidBrushesReportAnOlderFailureWithTheirColour) {
  TGPSolidBrush brush(0xFF102030u);
  ARGB color = 0;
  EXPECT_EQ(brush.GetColor(color), Ok);
  EXPECT_EQ(color, 0xFF102030u);
  {
    EntryOverride o(GdipSetSolidFillColor, +[](GpSolidFill*, ARGB) { return ObjectBusy; });
    EXPECT_EQ(brush.SetColor(0xFF000000u), ObjectBusy);
  }
  color = 0;
  EXPECT_EQ(brush.GetColor(color), ObjectBusy);  // the field, not the call
  EXPECT_EQ(color, 0xFF102030u);                 // read all the same
  EXPECT_EQ(brush.GetLastStatus(), ObjectBusy);
  EXPECT_EQ(brush.GetColor(color), Ok);
  EXPECT_EQ(brush.GetType(), BrushTypeSolidColor);
}

TEST_F(GdipPensBrushes, GradientBrushSettingsRoundTrip) {
  TGPLinearGradientBrush linear(TGPRect{0, 0, 20, 10}, 0xFF000000u, 0xFFFFFFFFu, 30.0f, true);
  TGPRect rect{};
  EXPECT_EQ(linear.GetRectangle(rect), Ok);
  EXPECT_EQ(rect.Width, 20);
  linear.SetLinearColors(0xFF0000FFu, 0xFF00FF00u);
  ARGB a = 0, b = 0;
  linear.GetLinearColors(a, b);
  EXPECT_EQ(a, 0xFF0000FFu);
  EXPECT_EQ(b, 0xFF00FF00u);
  linear.SetGammaCorrection(true);
  EXPECT_TRUE(linear.GetGammaCorrection());
  linear.SetWrapMode(WrapModeTileFlipXY);
  EXPECT_EQ(linear.GetWrapMode(), WrapModeTileFlipXY);
  EXPECT_EQ(linear.SetBlendBellShape(0.5f), Ok);
  EXPECT_GT(linear.GetBlendCount(), 2);
  EXPECT_EQ(linear.SetBlendTriangularShape(0.5f, 1), Ok);
  EXPECT_EQ(linear.GetBlendCount(), 3);
  linear.RotateTransform(15);
  linear.TranslateTransform(1, 1);
  linear.ScaleTransform(2, 2, MatrixOrderAppend);
  TGPMatrix m;
  EXPECT_EQ(linear.GetTransform(&m), Ok);
  EXPECT_FALSE(m.IsIdentity());
  linear.ResetTransform();
  EXPECT_EQ(linear.GetLastStatus(), Ok);

  TGPGraphicsPath path;
  path.AddEllipse(0, 0, 20, 10);
  TGPPathGradientBrush radial(&path);
  ASSERT_EQ(radial.GetLastStatus(), Ok);
  TGPRectF bounds{};
  radial.GetRectangle(bounds);
  EXPECT_EQ(bounds.Width, 20.0f);
  radial.SetCenterPoint(TGPPoint{5, 5});
  TGPPoint center{};
  radial.GetCenterPoint(center);
  EXPECT_EQ(center.X, 5);
  ARGB centerColor = 0;
  EXPECT_EQ(radial.SetCenterColor(0xFF336699u), Ok);
  EXPECT_EQ(radial.GetCenterColor(centerColor), Ok);
  EXPECT_EQ(centerColor, 0xFF336699u);
  radial.SetFocusScales(0.25f, 0.5f);
  REAL sx = 0, sy = 0;
  radial.GetFocusScales(sx, sy);
  EXPECT_EQ(sx, 0.25f);
  EXPECT_EQ(sy, 0.5f);
  radial.SetWrapMode(WrapModeTileFlipX);
  EXPECT_EQ(radial.GetWrapMode(), WrapModeTileFlipX);
  radial.SetGammaCorrection(true);
  EXPECT_TRUE(radial.GetGammaCorrection());
  TGPGraphicsPath square;
  square.AddRectangle(TGPRect{0, 0, 4, 4});
  // The library keeps no path of its own to hand out or replace: reported.
  EXPECT_EQ(radial.SetGraphicsPath(&square), NotImplemented);
  EXPECT_EQ(radial.GetGraphicsPath(&square), NotImplemented);
  EXPECT_EQ(radial.GetLastStatus(), NotImplemented);
  radial.SetBlendBellShape(0.5f);
  EXPECT_GT(radial.GetBlendCount(), 1);
  radial.RotateTransform(5);
  TGPMatrix rm;
  radial.GetTransform(&rm);
  EXPECT_FALSE(rm.IsIdentity());
  EXPECT_EQ(radial.GetLastStatus(), Ok);

  TGPBitmap picture(3, 3);
  TGPTextureBrush texture(&picture, WrapModeClamp, TGPRectF{0, 0, 2, 2});
  EXPECT_EQ(texture.GetLastStatus(), Ok);
  EXPECT_EQ(texture.GetWrapMode(), WrapModeClamp);
  TGPImageAttributes attributes;
  TGPTextureBrush withAttributes(&picture, TGPRect{1, 1, 2, 2}, &attributes);
  EXPECT_EQ(withAttributes.GetLastStatus(), Ok);
  EXPECT_EQ(withAttributes.GetImage()->GetWidth(), 2u);
  texture.ScaleTransform(2, 2);
  TGPMatrix tm;
  texture.GetTransform(&tm);
  TMatrixArray e{};
  tm.GetElements(e);
  EXPECT_EQ(e[0], 2.0f);
}

}  // namespace
}  // namespace gdiptest
