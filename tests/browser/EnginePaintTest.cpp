// The browser control on the real engine paints its own frame and fill
// through the drawing facade under the engine's view.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>

#include "platform/win32/Gdi.h"
#include "tests/engine/EngineSupport.h"
#include "tests/harness/Harness.h"

using namespace enginetest;

namespace {

TColor At(const QImage& img, int x, int y) {
  const QRgb p = img.pixel(x, y);
  return TColor(qRed(p) | qGreen(p) << 8 | qBlue(p) << 16);
}

TEST(KitWebBrowserEnginePaint, PaintsItsFrameAndFillBeneathTheView) {
  Engine* engine = Shared();
  ASSERT_NE(engine, nullptr);
  TKitWebBrowser* browser = engine->Browser();
  ASSERT_NE(engine->Window->Platform(), nullptr);
  browser->Fill()->SetColor(0x33AA55);
  browser->Stroke()->SetColor(0x2020C0);
  // The control's own painting, through its window procedure into a picture
  // of its size (the view is a window of its own above it).
  QImage image(browser->Width(), browser->Height(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::magenta);
  HDC dc = CreateImageDC(&image);
  browser->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  DeleteDC(dc);
  const QString dir = QDir::current().filePath(QStringLiteral("browser-pictures"));
  QDir().mkpath(dir);
  image.save(dir + QStringLiteral("/engine-browser-control.png"));
  vcltest::Grab(engine->Window->Form.get()).save(dir + QStringLiteral("/engine-browser-window.png"));
  const int w = browser->Width(), h = browser->Height();
  EXPECT_EQ(At(image, 0, h / 2), TColor(0x2020C0));
  EXPECT_EQ(At(image, w - 1, h / 2), TColor(0x2020C0));
  EXPECT_EQ(At(image, w / 2, 0), TColor(0x2020C0));
  EXPECT_EQ(At(image, w / 2, h - 1), TColor(0x2020C0));
  EXPECT_EQ(At(image, w / 2, h / 2), TColor(0x33AA55));
  browser->Fill()->SetColor(0xFFFFFF);
  browser->Stroke()->SetColor(0xC0C0C0);
}

}  // namespace
