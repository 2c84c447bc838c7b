// TCanvas drawing rules: edges, pen modes, brushes, text, blits, pixels,
// notifications and the DC life cycle.

#include <gtest/gtest.h>

#include "platform/vcl/Graphics.h"
#include "tests/platform/vcl/VclTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace vcltest;

namespace {
// A canvas over an image of its own through SetHandle, as a window's
// back buffer would be.
class ImageCanvas {
 public:
  explicit ImageCanvas(int w = 64, int h = 64) : FImage(w, h, QImage::Format_ARGB32_Premultiplied) {
    FImage.fill(0xFFFFFFFFu);
    FDc = CreateImageDC(&FImage);
    FCanvas.SetHandle(FDc);
  }
  ~ImageCanvas() {
    FCanvas.SetHandle(nullptr);
    DeleteDC(FDc);
  }
  TCanvas& Canvas() { return FCanvas; }
  const QImage& Image() const { return FImage; }

 private:
  QImage FImage;
  HDC FDc;
  TCanvas FCanvas;
};
}  // namespace

TEST(Canvas, RectanglesLeaveOutTheirRightAndBottomEdges) {
  ImageCanvas ic;
  TCanvas& c = ic.Canvas();
  c.Pen()->SetColor(clBlack);
  c.Brush()->SetColor(clRed);
  c.Rectangle(10, 10, 20, 20);
  const QImage& img = ic.Image();
  EXPECT_EQ(Px(img, 10, 10), clBlack);
  EXPECT_EQ(Px(img, 19, 19), clBlack);
  EXPECT_EQ(Px(img, 15, 15), clRed);
  EXPECT_EQ(Px(img, 20, 20), clWhite);
  EXPECT_EQ(Ink(img, clWhite), QRect(10, 10, 10, 10));

  c.Brush()->SetColor(clBlue);
  c.FillRect(Rect(30, 30, 40, 35));
  EXPECT_EQ(Ink(img.copy(25, 25, 30, 30), clWhite), QRect(5, 5, 10, 5));
  c.Brush()->SetColor(clGreen);
  c.FrameRect(Rect(2, 40, 12, 50));
  EXPECT_EQ(Px(img, 2, 40), clGreen);
  EXPECT_EQ(Px(img, 11, 49), clGreen);
  EXPECT_EQ(Px(img, 6, 45), clWhite);
}

TEST(Canvas, PenModesMixWithWhatIsThere) {
  ImageCanvas ic;
  TCanvas& c = ic.Canvas();
  c.Brush()->SetColor(clTeal);
  c.FillRect(Rect(0, 0, 32, 64));
  const QImage before = ic.Image().copy();

  c.Pen()->SetColor(clYellow);
  c.Pen()->SetMode(pmXor);
  c.Pen()->SetWidth(3);
  for (int pass = 0; pass < 2; ++pass) {
    c.MoveTo(4, 4);
    c.LineTo(60, 50);
    c.Ellipse(10, 20, 50, 60);
    if (pass == 0) {
      EXPECT_NE(ic.Image(), before);
    }
  }
  EXPECT_EQ(ic.Image(), before);  // XOR twice restores

  c.Pen()->SetWidth(1);
  c.Pen()->SetMode(pmNot);
  c.MoveTo(0, 5);
  c.LineTo(64, 5);
  EXPECT_EQ(Px(ic.Image(), 10, 5), TColor(~clTeal & 0xFFFFFF));
  EXPECT_EQ(Px(ic.Image(), 40, 5), clBlack);  // white inverted
  c.Pen()->SetMode(pmNop);
  c.MoveTo(0, 8);
  c.LineTo(64, 8);
  EXPECT_EQ(Px(ic.Image(), 40, 8), clWhite);
}

TEST(Canvas, ClearBrushesLeaveTheInsideAndDashGaps) {
  ImageCanvas ic;
  TCanvas& c = ic.Canvas();
  c.Brush()->SetStyle(bsClear);
  c.Pen()->SetColor(clBlue);
  c.Rectangle(5, 5, 25, 25);
  EXPECT_EQ(Px(ic.Image(), 5, 5), clBlue);
  EXPECT_EQ(Px(ic.Image(), 15, 15), clWhite);

  // Dashed lines: the gaps take the brush colour when it is solid.
  c.Pen()->SetStyle(psDash);
  c.Pen()->SetColor(clBlack);
  c.MoveTo(0, 40);
  c.LineTo(64, 40);
  EXPECT_GT(Count(ic.Image().copy(0, 40, 64, 1), clWhite), 10);
  c.Brush()->SetColor(clRed);  // solid again
  c.MoveTo(0, 50);
  c.LineTo(64, 50);
  const QImage row = ic.Image().copy(0, 50, 64, 1);
  EXPECT_EQ(Count(row, clWhite), 0);
  EXPECT_GT(Count(row, clRed), 10);
  EXPECT_GT(Count(row, clBlack), 10);

  c.Brush()->SetStyle(bsHorizontal);
  c.Brush()->SetColor(clGreen);
  c.Brush()->SetStyle(bsHorizontal);
  c.Pen()->SetStyle(psClear);
  c.Rectangle(30, 0, 60, 30);
  const QImage hatch = ic.Image().copy(31, 1, 28, 28);
  EXPECT_GT(Count(hatch, clGreen), 0);
  EXPECT_GT(Count(hatch, clWhite), Count(hatch, clGreen));  // lines on a transparent background
}

TEST(Canvas, BrushBitmapsFillWithTheirPattern) {
  auto pattern = FilledBitmap(8, 8, clRed);
  pattern->Canvas()->Brush()->SetColor(clBlue);
  pattern->Canvas()->FillRect(Rect(4, 0, 8, 8));
  ImageCanvas ic(32, 8);
  TCanvas& c = ic.Canvas();
  c.Brush()->SetBitmap(pattern.get());
  c.FillRect(Rect(0, 0, 32, 8));
  for (int x : {0, 8, 16, 24}) {
    EXPECT_EQ(Px(ic.Image(), x + 1, 3), clRed) << x;
    EXPECT_EQ(Px(ic.Image(), x + 5, 3), clBlue) << x;
  }
  c.Brush()->SetBitmap(nullptr);
  c.Brush()->SetColor(clLime);
  c.FillRect(Rect(0, 0, 32, 8));
  EXPECT_EQ(Count(ic.Image(), clLime), 32 * 8);
}

TEST(Canvas, ShapesAndPolygons) {
  ImageCanvas ic;
  TCanvas& c = ic.Canvas();
  c.Brush()->SetColor(clRed);
  c.Pen()->SetColor(clBlack);
  c.Ellipse(Rect(0, 0, 30, 30));
  EXPECT_EQ(Px(ic.Image(), 15, 15), clRed);
  EXPECT_EQ(Px(ic.Image(), 1, 1), clWhite);
  c.Brush()->SetColor(clBlue);
  c.Polygon({Point(40, 10), Point(60, 10), Point(50, 30)});
  EXPECT_EQ(Px(ic.Image(), 50, 15), clBlue);
  EXPECT_EQ(Px(ic.Image(), 41, 28), clWhite);
  c.Polyline({Point(0, 60), Point(20, 60), Point(20, 40)});
  EXPECT_EQ(Px(ic.Image(), 10, 60), clBlack);
  EXPECT_EQ(Px(ic.Image(), 20, 50), clBlack);
  EXPECT_EQ(c.PenPos(), Point(0, 0));  // Polyline leaves the pen where it was
  c.MoveTo(30, 63);
  c.LineTo(50, 63);
  EXPECT_EQ(c.PenPos(), Point(50, 63));
  EXPECT_EQ(Px(ic.Image(), 49, 63), clBlack);
  EXPECT_EQ(Px(ic.Image(), 50, 63), clWhite);  // lines leave out their last pixel
  c.PolyBezier({Point(30, 40), Point(35, 30), Point(45, 50), Point(55, 40)});
  EXPECT_NE(Ink(ic.Image().copy(30, 35, 26, 12), clWhite), QRect());
}

TEST(Canvas, PixelsClipRectFocusRectAndFloodFill) {
  ImageCanvas ic(40, 30);
  TCanvas& c = ic.Canvas();
  c.SetPixels(3, 4, clFuchsia);
  EXPECT_EQ(c.Pixels(3, 4), clFuchsia);
  EXPECT_EQ(Px(ic.Image(), 3, 4), clFuchsia);
  c.SetPixels(5, 5, clBtnFace);
  EXPECT_EQ(c.Pixels(5, 5), ColorToRGB(clBtnFace));
  EXPECT_EQ(c.ClipRect(), Rect(0, 0, 40, 30));

  const QImage before = ic.Image().copy();
  c.DrawFocusRect(Rect(10, 10, 30, 20));
  EXPECT_NE(ic.Image(), before);
  c.DrawFocusRect(Rect(10, 10, 30, 20));
  EXPECT_EQ(ic.Image(), before);

  c.Brush()->SetStyle(bsClear);
  c.Pen()->SetColor(clBlack);
  c.Rectangle(10, 10, 30, 20);
  c.Brush()->SetColor(clLime);
  c.FloodFill(15, 15, clWhite, fsSurface);
  EXPECT_EQ(Px(ic.Image(), 15, 15), clLime);
  EXPECT_EQ(Px(ic.Image(), 28, 18), clLime);
  EXPECT_EQ(Px(ic.Image(), 10, 10), clBlack);
  EXPECT_EQ(Px(ic.Image(), 5, 25), clWhite);  // outside the frame
  c.Brush()->SetColor(clNavy);
  c.FloodFill(1, 1, clBlack, fsBorder);  // everything up to black
  EXPECT_EQ(Px(ic.Image(), 1, 1), clNavy);
  EXPECT_EQ(Px(ic.Image(), 15, 15), clLime);
}

TEST(Canvas, TextOutMovesThePenAndTextRectClips) {
  ImageCanvas ic(200, 60);
  TCanvas& c = ic.Canvas();
  c.Font()->SetName("Tahoma");
  c.Font()->SetHeight(-16);
  c.Font()->SetColor(clBlack);
  c.Brush()->SetStyle(bsClear);
  const int width = c.TextWidth("Hello");
  EXPECT_GT(width, 20);
  EXPECT_EQ(c.TextExtent("Hello").cx, width);
  EXPECT_GE(c.TextHeight("Hello"), 16);
  c.TextOut(5, 5, "Hello");
  EXPECT_EQ(c.PenPos(), Point(5 + width, 5));
  const QRect ink = Ink(ic.Image(), clWhite);
  EXPECT_FALSE(ink.isEmpty());
  EXPECT_GE(ink.left(), 5);
  EXPECT_LE(ink.right(), 5 + width);

  // A long text clipped to a small rectangle; an opaque brush fills the
  // rectangle, nothing reaches outside it.
  ImageCanvas clipped(200, 60);
  TCanvas& d = clipped.Canvas();
  d.Font()->SetHeight(-16);
  d.Brush()->SetColor(clYellow);
  const TRect cell = Rect(10, 10, 60, 30);
  d.TextRect(cell, 12, 12, "A long text that does not fit into the cell");
  EXPECT_EQ(Ink(clipped.Image(), clWhite), QRect(10, 10, 50, 20));
  EXPECT_GT(Count(clipped.Image(), clBlack), 0);

  // The formatting form: measuring, ellipsis written back, centring.
  TRect r = Rect(0, 0, 1000, 0);
  QString text = "Measure me";
  d.TextRect(r, text, {tfCalcRect, tfSingleLine});
  EXPECT_EQ(r.Width(), d.TextWidth("Measure me"));
  EXPECT_EQ(r.Height(), d.TextHeight("Measure me"));
  TRect narrow = Rect(0, 35, 60, 55);
  QString longText = "Some rather long words";
  d.TextRect(narrow, longText, {tfSingleLine, tfEndEllipsis, tfModifyString});
  EXPECT_TRUE(longText.endsWith("...")) << longText.toStdString();
  EXPECT_LT(longText.size(), 22);
}

TEST(Canvas, FontChangesReachTheDrawing) {
  ImageCanvas ic(300, 80);
  TCanvas& c = ic.Canvas();
  c.Font()->SetHeight(-12);
  HFONT small = c.Font()->Handle();
  const TSize smallSize = c.TextExtent("Wide text");
  c.Font()->SetHeight(-30);
  EXPECT_NE(c.Font()->Handle(), small);
  const TSize bigSize = c.TextExtent("Wide text");
  EXPECT_GT(bigSize.cx, smallSize.cx * 2);
  EXPECT_GT(bigSize.cy, smallSize.cy * 2);
  c.Font()->SetColor(clRed);
  c.Brush()->SetStyle(bsClear);
  c.TextOut(0, 0, "Red");
  EXPECT_GT(Count(ic.Image(), clRed), 5);

  // Assigning a font copies it into the canvas's own.
  TFont f;
  f.SetStyle({fsBold});
  f.SetHeight(-30);
  c.SetFont(&f);
  EXPECT_EQ(c.Font()->Style(), TFontStyles({fsBold}));
  EXPECT_GE(c.TextWidth("Wide text"), bigSize.cx);
}

TEST(Canvas, WithoutAHandleItMeasuresOnAMemoryDc) {
  TCanvas c;
  EXPECT_FALSE(c.HandleAllocated());
  c.Font()->SetHeight(-20);
  EXPECT_GT(c.TextWidth("abc"), 10);
  EXPECT_TRUE(c.HandleAllocated());
  EXPECT_EQ(GetObjectType(c.Handle()), OBJ_MEMDC);
  // Drawing on it does no harm.
  c.Rectangle(0, 0, 10, 10);
  c.SetHandle(nullptr);
  EXPECT_FALSE(c.HandleAllocated());
}

TEST(Canvas, ChangeEventsOncePerDrawingCall) {
  ImageCanvas ic;
  TCanvas& c = ic.Canvas();
  int changing = 0, changed = 0;
  c.OnChanging = [&](TObject* s) {
    EXPECT_EQ(s, &c);
    EXPECT_EQ(changing, changed);
    ++changing;
  };
  c.OnChange = [&](TObject*) { ++changed; };
  c.Rectangle(0, 0, 5, 5);
  c.FillRect(Rect(0, 0, 5, 5));
  c.TextOut(0, 0, "x");
  c.SetPixels(1, 1, clRed);
  c.LineTo(3, 3);
  EXPECT_EQ(changing, 5);
  EXPECT_EQ(changed, 5);
  c.TextWidth("measuring");
  c.Pixels(1, 1);
  c.MoveTo(0, 0);
  EXPECT_EQ(changed, 5);
}

TEST(Canvas, CopyRectDrawAndOpacity) {
  auto source = FilledBitmap(20, 20, clRed);
  source->Canvas()->Brush()->SetColor(clBlue);
  source->Canvas()->FillRect(Rect(10, 0, 20, 20));
  ImageCanvas ic;
  TCanvas& c = ic.Canvas();
  c.CopyRect(Rect(0, 0, 20, 20), source->Canvas(), Rect(0, 0, 20, 20));
  EXPECT_EQ(Px(ic.Image(), 5, 5), clRed);
  EXPECT_EQ(Px(ic.Image(), 15, 5), clBlue);
  c.CopyRect(Rect(20, 0, 60, 10), source->Canvas(), Rect(0, 0, 20, 20));  // stretched
  EXPECT_EQ(Px(ic.Image(), 25, 5), clRed);
  EXPECT_EQ(Px(ic.Image(), 55, 5), clBlue);
  c.SetCopyMode(cmSrcInvert);
  c.CopyRect(Rect(0, 0, 20, 20), source->Canvas(), Rect(0, 0, 20, 20));
  EXPECT_EQ(Px(ic.Image(), 5, 5), clBlack);  // red xor red

  c.SetCopyMode(cmSrcCopy);
  c.Draw(30, 30, source.get());
  EXPECT_EQ(Px(ic.Image(), 31, 31), clRed);
  EXPECT_EQ(Px(ic.Image(), 45, 45), clBlue);
  c.Draw(0, 40, source.get(), 128);  // half over white
  const TColor half = Px(ic.Image(), 2, 42);
  EXPECT_EQ(GetRValue(COLORREF(half)), 255);
  EXPECT_NEAR(GetGValue(COLORREF(half)), 127, 2);
  c.StretchDraw(Rect(0, 60, 4, 64), source.get());
  EXPECT_EQ(Px(ic.Image(), 0, 62), clRed);
  EXPECT_EQ(Px(ic.Image(), 3, 62), clBlue);
}

TEST(Canvas, LockNestsAndCounts) {
  TCanvas c;
  c.Lock();
  EXPECT_TRUE(c.TryLock());
  EXPECT_EQ(c.LockCount(), 2);
  c.Unlock();
  c.Unlock();
  EXPECT_EQ(c.LockCount(), 0);
  c.Unlock();  // more unlocks than locks are ignored
  EXPECT_EQ(c.LockCount(), 0);
}
