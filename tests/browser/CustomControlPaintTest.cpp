// The custom control's painting through the drawing facade (order, buffered
// and direct paths, the window picture), its fill and stroke, hints, export,
// the part pictures, and its settings saved as JSON through the filter.
#include <gtest/gtest.h>

#include <QDir>
#include <QHelpEvent>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QApplication>

#include "browser/KitWebBrowser.Win.h"
#include "browser/KitWebBrowser.h"
#include "foundation/KitPersistence.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Forms.h"
#include "platform/win32/Gdi.h"
#include "tests/browser/FakeEngine.h"
#include "tests/harness/Harness.h"

namespace {

QString OutDir() {
  const QString dir = QDir::current().filePath(QStringLiteral("browser-pictures"));
  QDir().mkpath(dir);
  return dir;
}

TColor At(const QImage& img, int x, int y) {
  const QRgb p = img.pixel(x, y);
  return TColor(qRed(p) | qGreen(p) << 8 | qBlue(p) << 16);
}

class TPaintProbe : public TKitCustomControl {
 public:
  TF_DECLARE_PUBLISHED(TPaintProbe)
  using TKitCustomControl::TKitCustomControl;
  QStringList Log;
  TRectF ExportSeen;
  bool Hinting = false;
  void UseBuffer(bool AValue) { FBufferedPainting = AValue; }
  void UseNative(bool AValue) { FNativeCanvas = AValue; }
  void SetFactor(Single AFactor) { FResourceScaleFactor = AFactor; }
  using TKitCustomControl::PaintControl;

 protected:
  void DrawBackground(TKitGraphics* G, const TRectF& R) override {
    Log << "DrawBackground";
    TKitCustomControl::DrawBackground(G, R);
  }
  void Draw(TKitGraphics* G, const TRectF& R) override {
    Log << "Draw";
    ExportSeen = GetLocalRect();
  }
  bool HasHint() override { return Hinting; }
  QString GetHintString() override { return QStringLiteral("from the control"); }
};

TF_PUBLISHED(TPaintProbe, TKitCustomControl) { return TPublished<TPaintProbe>(); }

// Paints the control through its window procedure into a picture.
QImage PaintThroughWindow(TWinControl* AControl) {
  QImage image(AControl->Width(), AControl->Height(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::magenta);
  HDC dc = CreateImageDC(&image);
  AControl->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  DeleteDC(dc);
  return image.convertToFormat(QImage::Format_RGB32);
}

TEST(KitCustomControlPaint, DrawsInOrderAndTheBeforeHandlerCanStopIt) {
  for (bool buffered : {false, true}) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 120, 80);
    auto* control = Create<TPaintProbe>(&form);
    control->SetParent(&form);
    control->SetBounds(0, 0, 100, 50);
    control->UseBuffer(buffered);
    control->OnBeforeDraw = [&](TObject*, TKitGraphics*, TRectF R, bool&) {
      control->Log << QStringLiteral("before %1x%2").arg(R.Width()).arg(R.Height());
    };
    control->OnAfterDraw = [&](TObject*, TKitGraphics*, TRectF) { control->Log << "after"; };
    PaintThroughWindow(control);
    EXPECT_EQ(control->Log, (QStringList{"before 100x50", "DrawBackground", "Draw", "after"})) << buffered;
    control->Log.clear();
    control->OnBeforeDraw = [&](TObject*, TKitGraphics*, TRectF, bool& ADefault) {
      control->Log << "before";
      ADefault = false;
    };
    const QImage img = PaintThroughWindow(control);
    EXPECT_EQ(control->Log, QStringList{"before"}) << buffered;
    // Buffered: the empty buffer is still copied over the window.
    if (buffered) {
      EXPECT_NE(At(img, 50, 25), TColor(0xFF00FF));
    }
    control->SetBlockInvalidate(true);
    control->Log.clear();
    PaintThroughWindow(control);
    EXPECT_TRUE(control->Log.isEmpty());
  }
}

TEST(KitCustomControlPaint, TheBrowserControlPaintsItsFrameAndFillInTheWindow) {
  enginetest::FakeServiceScope scope(nullptr);
  struct Case {
    const char* Name;
    bool Buffered, Native;
  };
  for (const Case c : {Case{"direct", false, false}, Case{"buffered", true, false}, Case{"native", false, true},
                       Case{"native-buffered", true, true}}) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 240, 140);
    auto* browser = Create<TKitWebBrowser>(&form);
    browser->SetParent(&form);
    browser->SetBounds(20, 20, 200, 100);
    browser->Fill()->SetColor(0xCC8833);
    browser->Stroke()->SetColor(0x0000FF);
    browser->SetBufferedPainting(c.Buffered);
    browser->SetNativeCanvas(c.Native);
    ASSERT_TRUE(vcltest::ShowAndActivate(&form));
    browser->Invalidate();
    vcltest::Pump();
    const QImage img = vcltest::Grab(&form).convertToFormat(QImage::Format_RGB32);
    img.save(OutDir() + QStringLiteral("/browser-window-%1.png").arg(QString::fromLatin1(c.Name)));
    EXPECT_EQ(browser->Color(), TColor(0xCC8833)) << "the fill sets the colour";
    // Frame on the control's outline, fill inside, the form around.
    EXPECT_EQ(At(img, 20, 70), TColor(0x0000FF)) << c.Name;
    EXPECT_EQ(At(img, 120, 20), TColor(0x0000FF)) << c.Name;
    EXPECT_EQ(At(img, 219, 70), TColor(0x0000FF)) << c.Name;
    EXPECT_EQ(At(img, 120, 119), TColor(0x0000FF)) << c.Name;
    EXPECT_EQ(At(img, 120, 70), TColor(0xCC8833)) << c.Name;
    EXPECT_NE(At(img, 10, 10), TColor(0xCC8833)) << c.Name;
    EXPECT_NE(At(img, 10, 10), TColor(0x0000FF)) << c.Name;
  }
}

TEST(KitCustomControlPaint, FillAndStrokeNotificationsAndSwitches) {
  auto controlOwned = CreateUnique<TPaintProbe>(nullptr);
  TPaintProbe& control = *controlOwned;
  EXPECT_EQ(control.Fill()->Color(), TColor(0xFFFFFF));
  EXPECT_EQ(control.Stroke()->Color(), TColor(0xC0C0C0));
  control.Fill()->SetColor(0x112233);
  EXPECT_EQ(control.Color(), TColor(0x112233));
  control.Fill()->SetKind(gfkTexture);
  EXPECT_EQ(control.Color(), TColor(0xFF00000F));
  control.Fill()->SetKind(gfkSolid);
  control.Fill()->SetColor(-1);
  EXPECT_EQ(control.Color(), TColor(0xFF00000F));
  control.DisableBackground();
  EXPECT_EQ(control.Fill()->Kind(), gfkNone);
  EXPECT_EQ(control.Stroke()->Kind(), gskNone);
  EXPECT_FALSE(control.ParentColor());
  control.EnableBackground();
  EXPECT_EQ(control.Fill()->Kind(), gfkSolid);
  EXPECT_EQ(control.Stroke()->Kind(), gskSolid);
  control.DisableStroke();
  EXPECT_EQ(control.Stroke()->Kind(), gskNone);
  control.EnableStroke();
  control.DisableFill();
  EXPECT_EQ(control.Fill()->Kind(), gfkNone);
  control.EnableFill();

  auto otherOwned = CreateUnique<TPaintProbe>(nullptr);

  TPaintProbe& other = *otherOwned;
  other.Fill()->SetColor(0x445566);
  other.Stroke()->SetWidth(3);
  control.Assign(&other);
  EXPECT_EQ(control.Fill()->Color(), TColor(0x445566));
  EXPECT_EQ(control.Stroke()->Width(), 3);
  TKitGraphicsFill notAControl;
  EXPECT_THROW(control.Assign(&notAControl), EConvertError);

  // Without a style: adapting keeps the colours; turning it off restores the
  // defaults.
  control.SetAdaptToStyle(true);
  EXPECT_EQ(control.Fill()->Color(), TColor(0x445566));
  control.SetAdaptToStyle(false);
  EXPECT_EQ(control.Fill()->Color(), TColor(0xFFFFFF));
  EXPECT_EQ(control.Stroke()->Color(), TColor(0xC0C0C0));
}

TEST(KitCustomControlPaint, ExportDrawsTheContentIntoTheGivenRectangle) {
  auto controlOwned = CreateUnique<TPaintProbe>(nullptr);
  TPaintProbe& control = *controlOwned;
  control.SetBounds(0, 0, 100, 50);
  auto g = TKitGraphics::CreateBitmapCanvas(300, 300, false, true);
  control.Export(g.get(), TRectF(10, 20, 210, 120));
  EXPECT_EQ(control.Log, QStringList{"Draw"});
  EXPECT_EQ(control.ExportSeen, TRectF(10, 20, 210, 120));
  EXPECT_EQ(control.LocalRect(), TRectF(0, 0, 100, 50));
  EXPECT_FALSE(control.IsExporting());
}

TEST(KitCustomControlPaint, HintsGoThroughHintShow) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 100);
  auto* control = Create<TPaintProbe>(&form);
  control->SetParent(&form);
  control->SetBounds(0, 0, 100, 50);
  control->SetHint(QStringLiteral("plain hint"));
  control->SetShowHint(true);
  ASSERT_TRUE(vcltest::ShowAndActivate(&form));
  QStringList shown;
  THintShower saved = SetHintShower([&](const THintInfo& AInfo) { shown << AInfo.HintStr; });
  auto ask = [&] {
    QHelpEvent event(QEvent::ToolTip, QPoint(10, 10), control->Widget()->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(control->Widget(), &event);
  };
  ask();
  control->Hinting = true;
  ask();
  control->SetShowHint(false);
  ask();
  SetHintShower(saved);
  EXPECT_EQ(shown, (QStringList{"plain hint", "from the control", QString()}));
}

TEST(KitCustomControlPaint, ThePartPicturesAreDistinctAndSized) {
  TForm form(nullptr);
  auto* control = Create<TPaintProbe>(&form);
  control->SetParent(&form);
  control->SetFactor(1.5f);
  std::vector<QImage> checks, radios, buttons;
  for (bool enabled : {true, false})
    for (bool focused : {false, true})
      for (bool checked : {false, true}) {
        if (!enabled && focused) continue;
        TPicture* c = control->GetCheckBoxBitmap(checked, focused, enabled);
        TPicture* r = control->GetRadioButtonBitmap(checked, focused, enabled);
        ASSERT_NE(c, nullptr);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(c->Width(), 24);
        EXPECT_EQ(c->Height(), 24);
        EXPECT_EQ(r->Width(), 24);
        checks.push_back(c->Graphic()->ToImage());
        radios.push_back(r->Graphic()->ToImage());
      }
  // The disabled button whatever ADown and AFocused are.
  TPicture* disabled = control->GetButtonBitmap(75, 23, true, true, false);
  EXPECT_EQ(disabled->Width(), 112);
  EXPECT_EQ(disabled->Height(), 34);
  const QImage disabledImage = disabled->Graphic()->ToImage();
  EXPECT_EQ(control->GetButtonBitmap(75, 23, false, false, false)->Graphic()->ToImage(), disabledImage);
  for (bool down : {false, true})
    for (bool focused : {false, true}) buttons.push_back(control->GetButtonBitmap(75, 23, down, focused, true)->Graphic()->ToImage());
  buttons.push_back(disabledImage);
  // Every state looks different from the others of its kind.
  auto distinct = [](const std::vector<QImage>& images, const char* kind, int allowedEqualPairs) {
    int equal = 0;
    for (size_t i = 0; i < images.size(); ++i)
      for (size_t j = i + 1; j < images.size(); ++j) equal += images[i] == images[j] ? 1 : 0;
    EXPECT_LE(equal, allowedEqualPairs) << kind;
  };
  distinct(checks, "check boxes", 0);
  distinct(radios, "radio buttons", 0);
  distinct(buttons, "buttons", 0);
  // One sheet of the seventeen pictures.
  QImage sheet(6 * 28, 2 * 28 + 40, QImage::Format_RGB32);
  sheet.fill(Qt::white);
  {
    QPainter p(&sheet);
    for (size_t i = 0; i < checks.size(); ++i) p.drawImage(int(i) * 28, 0, checks[i]);
    for (size_t i = 0; i < radios.size(); ++i) p.drawImage(int(i) * 28, 28, radios[i]);
  }
  sheet.save(OutDir() + QStringLiteral("/check-radio-pictures.png"));
  QImage buttonSheet(5 * 116, 38, QImage::Format_RGB32);
  buttonSheet.fill(Qt::white);
  {
    QPainter p(&buttonSheet);
    for (size_t i = 0; i < buttons.size(); ++i) p.drawImage(int(i) * 116, 0, buttons[i]);
  }
  buttonSheet.save(OutDir() + QStringLiteral("/button-pictures.png"));
  // A style update frees the pictures; the getter builds them again.
  control->Perform(CM_STYLECHANGED, 0, 0);
  EXPECT_EQ(control->GetCheckBoxBitmap(true, false, true)->Width(), 24);
}

TEST(KitCustomControlPaint, SettingsRoundTripThroughTheFilter) {
  auto controlOwned = CreateUnique<TPaintProbe>(nullptr);
  TPaintProbe& control = *controlOwned;
  control.SetName(QStringLiteral("Probe"));
  control.SetBounds(0, 0, 123, 45);
  control.Fill()->SetColor(0x0A0B0C);
  control.Stroke()->SetWidth(2);
  control.SetShowAcceleratorChar(false);
  TMemoryStream stream;
  control.SaveSettingsToStream(&stream);
  stream.SetPosition(0);
  const QString all = QString::fromUtf8(QByteArray(static_cast<const char*>(stream.Memory()), int(stream.Size())));
  const QJsonObject top = QJsonDocument::fromJson(all.toUtf8()).object();
  ASSERT_FALSE(top.isEmpty()) << all.toStdString();
  for (const char* excluded : {"Width", "Height", "Name", "Visible", "AllowFocus", "TabStop", "Enabled", "Hint"})
    EXPECT_FALSE(top.contains(QLatin1String(excluded))) << excluded << "\n" << all.toStdString();
  // The same names inside another object are written.
  EXPECT_TRUE(top.value(QLatin1String("Stroke")).toObject().contains(QLatin1String("Width"))) << all.toStdString();
  EXPECT_TRUE(all.contains(QLatin1String("\"Fill\""))) << all.toStdString();
  EXPECT_TRUE(all.contains(QLatin1String("\"ShowAcceleratorChar\""))) << all.toStdString();

  // Loaded back into a control with other settings.
  auto copyOwned = CreateUnique<TPaintProbe>(nullptr);
  TPaintProbe& copy = *copyOwned;
  copy.SetBounds(0, 0, 10, 10);
  copy.LoadSettingsFromStream(&stream);
  EXPECT_EQ(copy.Fill()->Color(), TColor(0x0A0B0C));
  EXPECT_EQ(copy.Stroke()->Width(), 2);
  EXPECT_FALSE(copy.ShowAcceleratorChar());
  EXPECT_EQ(copy.Width(), 10) << "layout properties are not loaded";

  // Appearance only: colours, fill, stroke and font.
  TMemoryStream appearance;
  control.SaveSettingsToStream(&appearance, true);
  const QString looks =
      QString::fromUtf8(QByteArray(static_cast<const char*>(appearance.Memory()), int(appearance.Size())));
  EXPECT_TRUE(looks.contains(QLatin1String("\"Fill\""))) << looks.toStdString();
  EXPECT_TRUE(looks.contains(QLatin1String("\"Color\""))) << looks.toStdString();
  EXPECT_FALSE(looks.contains(QLatin1String("\"ShowAcceleratorChar\""))) << looks.toStdString();
  EXPECT_FALSE(looks.contains(QLatin1String("\"Kind\""))) << "the fill's kind is no colour: " << looks.toStdString();

  // The handler has the last word.
  control.OnCanSaveProperty = [](TObject*, TObject*, const QString& AName, TTypeKind, bool& ACanSave) {
    if (AName == QLatin1String("Stroke")) ACanSave = false;
    if (AName == QLatin1String("Width")) ACanSave = true;
  };
  TMemoryStream filtered;
  control.SaveSettingsToStream(&filtered);
  const QString f = QString::fromUtf8(QByteArray(static_cast<const char*>(filtered.Memory()), int(filtered.Size())));
  const QJsonObject ftop = QJsonDocument::fromJson(f.toUtf8()).object();
  EXPECT_FALSE(ftop.contains(QLatin1String("Stroke"))) << f.toStdString();
  EXPECT_TRUE(ftop.contains(QLatin1String("Width"))) << f.toStdString();

  // Through a file as well.
  const QString file = QDir::current().filePath(QStringLiteral("browser-pictures/settings.json"));
  QDir().mkpath(QFileInfo(file).path());
  control.OnCanSaveProperty = nullptr;
  control.SaveSettingsToFile(file, false);
  auto fromFileOwned = CreateUnique<TPaintProbe>(nullptr);
  TPaintProbe& fromFile = *fromFileOwned;
  fromFile.LoadSettingsFromFile(file);
  EXPECT_EQ(fromFile.Fill()->Color(), TColor(0x0A0B0C));
  EXPECT_NE(control.UndoManager(), nullptr);
  EXPECT_EQ(control.UndoManager(), control.UndoManager());
}

TEST(KitCustomControlPaint, IsColorPropertyLooksAtThePublishedProperty) {
  auto controlOwned = CreateUnique<TPaintProbe>(nullptr);
  TPaintProbe& control = *controlOwned;
  EXPECT_TRUE(control.IsColorProperty(&control, QStringLiteral("Color"), tkInteger));
  EXPECT_TRUE(control.IsColorProperty(&control, QStringLiteral("Fill"), tkClass));
  EXPECT_FALSE(control.IsColorProperty(&control, QStringLiteral("AllowFocus"), tkEnumeration));
  EXPECT_FALSE(control.IsColorProperty(&control, QStringLiteral("NoSuchProperty"), tkInteger));
}

TEST(KitWebBrowserPublished, TheControlAndHelpersListTheirProperties) {
  enginetest::FakeServiceScope scope(nullptr);
  auto browserOwned = CreateUnique<TKitWebBrowser>(nullptr);
  TKitWebBrowser& browser = *browserOwned;
  for (const char* name : {"URL", "Version", "OnNavigateComplete", "OnBeforeNavigate", "OnDocumentComplete",
                           "OnInitialized", "OnCaptureScreenShot", "AdaptToStyle", "AllowFocus",
                           "ShowAcceleratorChar", "Color", "OnBeforeDraw", "OnCanSaveProperty"})
    EXPECT_NE(GetPropInfo(&browser, QString::fromLatin1(name)), nullptr) << name;
  browser.SetURL(QStringLiteral("http://127.0.0.1/x"));
  EXPECT_EQ(GetStrProp(&browser, QStringLiteral("URL")), QStringLiteral("http://127.0.0.1/x"));

  TKitScript script(QStringLiteral("document.title"), nullptr);
  EXPECT_TRUE(script.ToJSON().contains(QLatin1String("document.title"))) << script.ToJSON().toStdString();
  TKitWebBrowserPlatformServicesService service(QStringLiteral("{GUID}"), nullptr);
  EXPECT_TRUE(service.ToJSON().contains(QLatin1String("{GUID}")));
  TKitWinWebBrowserCachedFolderItem item(QStringLiteral("/tmp/cache"), nullptr);
  EXPECT_TRUE(item.ToJSON().contains(QLatin1String("/tmp/cache")));
  EXPECT_TRUE(TKitWebBrowserPlatformServices::Current()->ToJSON().contains(QLatin1String("Count")));
}

}  // namespace

namespace {

// The browser's design-time drawing: the caption when a platform service
// exists, the missing-engine message otherwise; nothing at run time.
TEST(KitWebBrowserDesignTime, DrawsItsCaptionOnlyWhileDesigned) {
  struct TTextLog : TKitWebBrowser {
    using TKitWebBrowser::TKitWebBrowser;
    void DrawInto(TKitGraphics* G) { Draw(G, TRectF(0, 0, 300, 100)); }
  };
  auto inkOf = [](TTextLog& browser) {
    auto g = TKitGraphics::CreateBitmapCanvas(300, 100, false, true);
    g->Bitmap()->Canvas()->Brush()->SetColor(0xFFFFFF);
    g->Bitmap()->Canvas()->FillRect(TRect(0, 0, 300, 100));
    g->Font()->SetColor(0);
    browser.DrawInto(g.get());
    int ink = 0, lowest = -1;
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 300; ++x)
        if (g->Bitmap()->Canvas()->Pixels(x, y) != TColor(0xFFFFFF)) {
          ++ink;
          lowest = y;
        }
    return std::pair(ink, lowest);
  };
  {
    enginetest::FakeServiceScope scope(nullptr);
    TTextLog browser(nullptr);
    EXPECT_EQ(inkOf(browser).first, 0) << "nothing at run time";
    browser.SetDesigning(true);
    const auto [ink, lowest] = inkOf(browser);
    EXPECT_GT(ink, 0);
    // Without the engine: the message wraps over several lines.
    EXPECT_GT(lowest, 40);
  }
  {
    enginetest::FakeServiceScope scope(std::make_shared<enginetest::FakeService>());
    TTextLog browser(nullptr);
    browser.SetDesigning(true);
    const auto [ink, lowest] = inkOf(browser);
    EXPECT_GT(ink, 0);
    // The caption: one line at the top.
    EXPECT_LT(lowest, 40);
  }
}

}  // namespace
