// The page-progress window during a capture run over the loopback
// directory: shown while the run walks the pages, its bar advancing with the
// page count, hidden when the run is over.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "app/uPageAdvance.h"
#include "tests/app/window/WindowSupport.h"
#include "tests/support/PixelProbes.h"

using namespace windowtest;

namespace {

struct Shot {
  double Position, Maximum;
  bool Visible;
  QImage Picture;
};

TEST(PageProgressWindow, ItsLook) {
  auto advance = CreateUnique<TfSplashAdvance>(nullptr);
  EXPECT_EQ(advance->Caption(), QStringLiteral("Pagina attuale"));
  EXPECT_EQ(advance->BorderStyle(), bsDialog);
  EXPECT_EQ(advance->FormStyle(), fsStayOnTop);
  EXPECT_EQ(advance->Position(), poMainFormCenter);
  EXPECT_EQ(advance->Advance->Align(), alClient);
  EXPECT_TRUE(advance->Advance->Appearance()->Transparent());
  EXPECT_EQ(advance->Advance->Appearance()->ValueFormat(), QStringLiteral("%.0f%%"));
  EXPECT_EQ(advance->Advance->UIStyle(), tsWindows10);
  EXPECT_FALSE(advance->Visible());
}

TEST(PageProgressWindow, CaptureRunShowsThePagesAdvancing) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  EXPECT_FALSE(w->Scaled());
  TSuperBrowser* browser = w->webbrowser1;
  fSplashAdvance = Create<TfSplashAdvance>(w);
  TKitSmoothProgressBar* bar = fSplashAdvance->Advance;
  bar->SetProgressAnimation(false);
  std::vector<Shot> shots;
  bar->OnPositionChanged = [&](TObject*, double value) {
    if (value <= 0) return;
    shots.push_back({value, bar->Maximum(), fSplashAdvance->Visible(),
                     fSplashAdvance->WindowFrame()->grab().toImage()});
  };

  const QString results = env->Server->ResultsUrl(QStringLiteral("serrurier"), QStringLiteral("lyon"), 1);
  PageDelay = 0;
  browser->Navigate(results);
  ASSERT_TRUE(WaitForUrl(browser, results));
  w->mmResults->Lines()->Clear();
  testsupport::FakeMessageDialogs dialogs;
  dialogs.Answers = {mrOk};
  w->btnCapture->Click();

  const int pages = env->Server->Options().PageCount;
  ASSERT_GE(shots.size(), size_t(pages));
  // One report per page pass (the last page is read twice, as the run does).
  for (int page = 1; page <= pages; ++page) {
    const Shot& s = shots[size_t(page - 1)];
    EXPECT_EQ(s.Position, page);
    EXPECT_EQ(s.Maximum, pages);
    EXPECT_TRUE(s.Visible);
  }
  EXPECT_FALSE(fSplashAdvance->Visible()) << "hidden once the run is over";
  EXPECT_EQ(browser->OnPageProgress, nullptr);

  // The bar's progress part (the Windows 10 colour) grows page by page.
  const QRgb progress = qRgb(0xC9, 0xE0, 0xF7);
  int before = 0;
  QImage strip(shots[0].Picture.width(), shots[0].Picture.height() * pages, QImage::Format_ARGB32);
  strip.fill(Qt::white);
  QPainter painter(&strip);
  for (int page = 1; page <= pages; ++page) {
    const QImage& picture = shots[size_t(page - 1)].Picture;
    const int filled = probe::Count(picture, probe::NearTo(progress, 12));
    EXPECT_GT(filled, before) << "page " << page;
    before = filled;
    painter.drawImage(0, picture.height() * (page - 1), picture);
  }
  painter.end();
  EXPECT_TRUE(strip.save(OutputFolder() + QStringLiteral("/page-progress.png")));
  delete fSplashAdvance;
  EXPECT_EQ(fSplashAdvance, nullptr);
}

}  // namespace
