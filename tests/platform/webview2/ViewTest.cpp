// User agent, pictures of the view, keys, focus, context menus, tools.

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QContextMenuEvent>
#include <QImage>
#include <QKeyEvent>
#include <QWebEngineView>

#include "tests/engine/EngineSupport.h"

using namespace enginetest;

TEST(WebView2Settings, UserAgentReachesTheServer) {
  ViewEngine* engine = SharedView();
  ASSERT_TRUE(engine);
  ICoreWebView2* view = engine->View.get();
  std::shared_ptr<ICoreWebView2Settings> settings;
  ASSERT_EQ(view->get_Settings(&settings), S_OK);
  auto settings2 = std::dynamic_pointer_cast<ICoreWebView2Settings2>(settings);
  ASSERT_TRUE(settings2) << "the user agent is reached as on the engine's second settings interface";

  QString original;
  ASSERT_EQ(settings2->get_UserAgent(&original), S_OK);
  EXPECT_FALSE(original.isEmpty());
  const QString agent = QStringLiteral("Mozilla/5.0 (X11; Linux x86_64) TallowfinchTest/1.0");
  ASSERT_EQ(settings2->put_UserAgent(agent), S_OK);
  QString read;
  ASSERT_EQ(settings2->get_UserAgent(&read), S_OK);
  EXPECT_EQ(read, agent);

  ASSERT_TRUE(NavigateAndWait(view, engine->Server->Url(QStringLiteral("/welcome2FR.html"))).IsSuccess);
  QByteArray sent;
  for (const auto& request : engine->Server->Http().Requests())
    if (request.Path == "/welcome2FR.html") sent = request.Header("User-Agent");
  EXPECT_EQ(QString::fromLatin1(sent), agent);
  EXPECT_EQ(RunScript(view, QStringLiteral("navigator.userAgent")), "\"" + agent + "\"");

  ASSERT_EQ(settings2->put_UserAgent(QString()), S_OK);
  ASSERT_EQ(settings2->get_UserAgent(&read), S_OK);
  EXPECT_EQ(read, original) << "an empty text restores the default";
}

TEST(WebView2CapturePreview, WritesAPictureOfThePage) {
  ViewEngine* engine = SharedView();
  ASSERT_TRUE(engine);
  ICoreWebView2* view = engine->View.get();
  ASSERT_TRUE(NavigateAndWait(view, engine->Server->ResultsUrl("plombier", "paris", 1)).IsSuccess);
  const QColor banner(QString::fromLatin1(tools::DirectoryServer::kBannerColour));

  // The first frame of a new page may still be on its way: try a few times.
  QImage picture;
  for (int attempt = 0; attempt < 40; ++attempt) {
    QBuffer png;
    ASSERT_TRUE(png.open(QIODevice::WriteOnly));
    bool done = false;
    HRESULT result = E_FAIL;
    ASSERT_EQ(view->CapturePreview(COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT_PNG, &png, [&](HRESULT hr) {
      result = hr;
      done = true;
      return S_OK;
    }),
              S_OK);
    ASSERT_TRUE(PumpUntil([&] { return done; }, 5000));
    ASSERT_EQ(result, S_OK);
    ASSERT_TRUE(png.data().startsWith("\x89PNG\r\n\x1a\n")) << "a PNG stream";
    ASSERT_TRUE(picture.loadFromData(png.data(), "PNG"));
    if (QColor(picture.pixel(10, 10)) == banner) break;
    PumpUntil([] { return false; }, 100);
  }
  QRect bounds;
  engine->Controller->get_Bounds(&bounds);
  EXPECT_EQ(picture.size(), bounds.size());
  EXPECT_EQ(QColor(picture.pixel(10, 10)), banner) << "the banner at the top of the page";
  EXPECT_EQ(QColor(picture.pixel(picture.width() - 20, tools::DirectoryServer::kBannerHeight + 5)), QColor(Qt::white))
      << "the page below it";

  EXPECT_EQ(view->CapturePreview(COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT_PNG, nullptr, nullptr), E_INVALIDARG);
}

namespace {

// The widget that shows the page and takes its keys.
QWidget* PageWidget(QWidget* window) {
  auto* view = window->findChild<QWebEngineView*>();
  return view ? view->focusProxy() : nullptr;
}

}  // namespace

TEST(WebView2Controller, AcceleratorKeysReachTheHostFirst) {
  ViewEngine* engine = SharedView();
  ASSERT_TRUE(engine);
  ICoreWebView2* view = engine->View.get();
  // The page's own script notes the keys it sees in the document.
  ASSERT_TRUE(NavigateToStringAndWait(view, QStringLiteral("<body data-keys=''><script>"
                                                           "document.addEventListener('keydown', function (e) {"
                                                           " var d = document.body.dataset;"
                                                           " d.keys = d.keys ? d.keys + ',' + e.key : e.key; });"
                                                           "</script></body>"))
                  .IsSuccess);
  ASSERT_TRUE(PumpUntil([&] { return PageWidget(engine->Window.get()); }, 5000));
  QWidget* page = PageWidget(engine->Window.get());

  struct Seen {
    UINT Key;
    COREWEBVIEW2_KEY_EVENT_KIND Kind;
  };
  std::vector<Seen> seen;
  bool handle = true;
  Registration keys([&](EventRegistrationToken t) { engine->Controller->remove_AcceleratorKeyPressed(t); });
  ASSERT_EQ(engine->Controller->add_AcceleratorKeyPressed(
                [&](ICoreWebView2Controller*, ICoreWebView2AcceleratorKeyPressedEventArgs* args) {
                  Seen s{};
                  args->get_VirtualKey(&s.Key);
                  args->get_KeyEventKind(&s.Kind);
                  seen.push_back(s);
                  if (handle) args->put_Handled(TRUE);
                  return S_OK;
                },
                &keys.Token),
            S_OK);

  auto press = [&](int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    QKeyEvent down(QEvent::KeyPress, key, modifiers, text);
    QKeyEvent up(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(page, &down);
    QApplication::sendEvent(page, &up);
  };
  press(Qt::Key_R, Qt::ControlModifier, QStringLiteral("\x12"));
  press(Qt::Key_F5, Qt::NoModifier, QString());
  press(Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));  // types a character: not an accelerator
  press(Qt::Key_F4, Qt::AltModifier, QString());
  ASSERT_EQ(seen.size(), 6u);
  EXPECT_EQ(seen[0].Key, 0x52u);
  EXPECT_EQ(seen[0].Kind, COREWEBVIEW2_KEY_EVENT_KIND_KEY_DOWN);
  EXPECT_EQ(seen[1].Kind, COREWEBVIEW2_KEY_EVENT_KIND_KEY_UP);
  EXPECT_EQ(seen[2].Key, 0x74u);
  EXPECT_EQ(seen[4].Key, 0x73u);
  EXPECT_EQ(seen[4].Kind, COREWEBVIEW2_KEY_EVENT_KIND_SYSTEM_KEY_DOWN);
  PumpUntil([] { return false; }, 300);
  EXPECT_EQ(RunScript(view, QStringLiteral("document.body.dataset.keys")), QStringLiteral("\"x\""))
      << "handled keys never reach the page";

  handle = false;
  press(Qt::Key_F2, Qt::NoModifier, QString());
  ASSERT_TRUE(PumpUntil([&] { return RunScript(view, QStringLiteral("document.body.dataset.keys")) == QStringLiteral("\"x,F2\""); }, 5000))
      << "unhandled ones do";
}

TEST(WebView2Controller, ContextMenusFollowTheSetting) {
  ViewEngine* engine = SharedView();
  ASSERT_TRUE(engine);
  ICoreWebView2* view = engine->View.get();
  auto* engineView = engine->Window->findChild<QWebEngineView*>();
  ASSERT_TRUE(engineView);
  std::vector<QPoint> requests;
  Registration menu([view](EventRegistrationToken t) { view->remove_ContextMenuRequested(t); });
  ASSERT_EQ(view->add_ContextMenuRequested(
                [&](ICoreWebView2*, ICoreWebView2ContextMenuRequestedEventArgs* args) {
                  QPoint at;
                  args->get_Location(&at);
                  requests.push_back(at);
                  args->put_Handled(TRUE);
                  return S_OK;
                },
                &menu.Token),
            S_OK);
  std::shared_ptr<ICoreWebView2Settings> settings;
  ASSERT_EQ(view->get_Settings(&settings), S_OK);

  auto rightClick = [&](QPoint at) {
    QWidget* page = PageWidget(engine->Window.get());
    ASSERT_TRUE(page);
    QMouseEvent press(QEvent::MouseButtonPress, at, page->mapToGlobal(at), Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, page->mapToGlobal(at), Qt::RightButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(page, &press);
    QApplication::sendEvent(page, &release);
  };
  rightClick(QPoint(30, 40));
  PumpUntil([&] { return !requests.empty(); }, 3000);
  ASSERT_EQ(settings->put_AreDefaultContextMenusEnabled(FALSE), S_OK);
  BOOL enabled = TRUE;
  ASSERT_EQ(settings->get_AreDefaultContextMenusEnabled(&enabled), S_OK);
  EXPECT_FALSE(enabled);
  rightClick(QPoint(50, 60));
  PumpUntil([] { return false; }, 500);
  ASSERT_EQ(settings->put_AreDefaultContextMenusEnabled(TRUE), S_OK);
  EXPECT_EQ(requests, (std::vector<QPoint>{QPoint(30, 40)}));
}

TEST(WebView2Controller, DevToolsOpenOnlyWhenEnabled) {
  ViewEngine* engine = SharedView();
  ASSERT_TRUE(engine);
  ICoreWebView2* view = engine->View.get();
  auto toolWindows = [] {
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->windowTitle() == QLatin1String("Developer Tools") && w->isVisible()) ++count;
    return count;
  };
  std::shared_ptr<ICoreWebView2Settings> settings;
  ASSERT_EQ(view->get_Settings(&settings), S_OK);
  ASSERT_EQ(settings->put_AreDevToolsEnabled(FALSE), S_OK);
  ASSERT_EQ(view->OpenDevToolsWindow(), S_OK);
  EXPECT_EQ(toolWindows(), 0);
  ASSERT_EQ(settings->put_AreDevToolsEnabled(TRUE), S_OK);
  ASSERT_EQ(view->OpenDevToolsWindow(), S_OK);
  ASSERT_EQ(view->OpenDevToolsWindow(), S_OK);
  EXPECT_EQ(toolWindows(), 1) << "one window, raised again";
}

TEST(WebView2Controller, FocusEventsFollowThePage) {
  ViewEngine* engine = SharedView();
  ASSERT_TRUE(engine);
  ASSERT_TRUE(NavigateToStringAndWait(engine->View.get(), QStringLiteral("<input id='field'>")).IsSuccess);
  ASSERT_TRUE(PumpUntil([&] { return PageWidget(engine->Window.get()); }, 5000));
  int got = 0, lost = 0;
  Registration gotFocus([&](EventRegistrationToken t) { engine->Controller->remove_GotFocus(t); });
  Registration lostFocus([&](EventRegistrationToken t) { engine->Controller->remove_LostFocus(t); });
  engine->Controller->add_GotFocus([&](ICoreWebView2Controller*, IUnknown*) { return ++got, S_OK; }, &gotFocus.Token);
  engine->Controller->add_LostFocus([&](ICoreWebView2Controller*, IUnknown*) { return ++lost, S_OK; }, &lostFocus.Token);
  QWidget* page = PageWidget(engine->Window.get());
  QFocusEvent in(QEvent::FocusIn, Qt::OtherFocusReason);
  QFocusEvent out(QEvent::FocusOut, Qt::OtherFocusReason);
  QApplication::sendEvent(page, &in);
  QApplication::sendEvent(page, &out);
  EXPECT_EQ(got, 1);
  EXPECT_EQ(lost, 1);
  EXPECT_EQ(engine->Controller->MoveFocus(COREWEBVIEW2_MOVE_FOCUS_REASON_NEXT), S_OK);
}
