// Host objects reached from page scripts, and web messages.

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/engine/EngineSupport.h"

using namespace enginetest;

namespace {

// A host object with a text property, a method, an object-typed property
// and a member that fails.
class MessageObject : public IDispatch {
 public:
  static constexpr DISPID kObjectMessage = 100, kAdd = 101, kChild = 102, kFail = 103;

  HRESULT GetIDsOfNames(const QStringList& names, QList<DISPID>* ids) override {
    static const QStringList kMembers = {"ObjectMessage", "Add", "Child", "Fail"};
    ids->clear();
    for (const QString& name : names) {
      const auto found = std::find_if(kMembers.begin(), kMembers.end(),
                                      [&](const QString& m) { return m.compare(name, Qt::CaseInsensitive) == 0; });
      ids->append(found == kMembers.end() ? DISPID_UNKNOWN : DISPID(100 + (found - kMembers.begin())));
    }
    return ids->value(0, DISPID_UNKNOWN) == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK;
  }

  HRESULT Invoke(DISPID id, WORD flags, DISPPARAMS* params, QVariant* result, EXCEPINFO* exception, UINT*) override {
    switch (id) {
      case kObjectMessage:
        if (flags & DISPATCH_PROPERTYPUT) {
          if (params->rgvarg.size() != 1 || params->rgdispidNamedArgs.value(0) != DISPID_PROPERTYPUT)
            return DISP_E_MEMBERNOTFOUND;
          Messages.push_back(params->rgvarg.front().toString());
          return S_OK;
        }
        *result = Messages.empty() ? QString() : Messages.back();
        return S_OK;
      case kAdd: {
        double sum = 0;
        for (const QVariant& v : params->rgvarg) sum += v.toDouble();
        *result = sum;
        return S_OK;
      }
      case kChild:
        if (!Child) Child = std::make_shared<MessageObject>();
        *result = QVariant::fromValue(std::shared_ptr<IDispatch>(Child));
        return S_OK;
      case kFail:
        exception->bstrDescription = QStringLiteral("refusé");
        exception->scode = E_FAIL;
        return DISP_E_EXCEPTION;
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
  }

  std::vector<QString> Messages;
  std::shared_ptr<MessageObject> Child;
};

class BridgeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    engine_ = SharedView();
    ASSERT_TRUE(engine_);
    view_ = engine_->View.get();
    bridge_ = std::make_shared<MessageObject>();
    ASSERT_EQ(view_->AddHostObjectToScript(QStringLiteral("bridge"), bridge_), S_OK);
    messages_ = std::make_unique<Registration>([this](EventRegistrationToken t) { view_->remove_WebMessageReceived(t); });
    ASSERT_EQ(view_->add_WebMessageReceived(
                  [this](ICoreWebView2*, ICoreWebView2WebMessageReceivedEventArgs* args) {
                    QString json, text, source;
                    args->get_WebMessageAsJson(&json);
                    args->get_Source(&source);
                    Received.push_back(json);
                    Sources.push_back(source);
                    if (SUCCEEDED(args->TryGetWebMessageAsString(&text))) Texts.push_back(text);
                    return S_OK;
                  },
                  &messages_->Token),
              S_OK);
  }
  void TearDown() override {
    messages_.reset();
    if (view_) {
      view_->RemoveHostObjectFromScript(QStringLiteral("bridge"));
      std::shared_ptr<ICoreWebView2Settings> settings;
      view_->get_Settings(&settings);
      settings->put_AreHostObjectsAllowed(TRUE);
    }
  }
  void ShowPage(const QString& script) {
    ASSERT_TRUE(NavigateToStringAndWait(view_, QStringLiteral("<html><body><p>page</p><script>%1</script></body></html>").arg(script))
                    .IsSuccess);
  }

  ViewEngine* engine_ = nullptr;
  ICoreWebView2* view_ = nullptr;
  std::shared_ptr<MessageObject> bridge_;
  std::unique_ptr<Registration> messages_;
  std::vector<QString> Received, Texts, Sources;
};

// The page script that the browser control runs to send messages through a
// bridge (CR line ends, as the control builds it).
QString CommunicationLayer(const QString& name) {
  const QString cr = QStringLiteral("\r");
  return "var send" + name + "ObjectMessage = function(parameters) {" + cr + "  var v = parameters;" + cr +
         "if (!window.chrome || !window.chrome.webview || !window.chrome.webview.hostObjects || "
         "!window.chrome.webview.hostObjects.sync) {" +
         cr + "  return;" + cr + "}" + cr + "var obj = window.chrome.webview.hostObjects.sync." + name + ";" + cr +
         "  if (obj) {" + cr + "    obj.ObjectMessage = v;" + cr + "  }" + cr + "};";
}

}  // namespace

TEST_F(BridgeTest, PageScriptsWriteTheHostObject) {
  ShowPage(QStringLiteral("window.chrome.webview.hostObjects.sync.bridge.ObjectMessage = 'depuis la page';"
                          "document.title = String(window.chrome.webview.hostObjects.sync.bridge.ObjectMessage);"));
  ASSERT_TRUE(PumpUntil([&] { return !bridge_->Messages.empty(); }));
  EXPECT_EQ(bridge_->Messages, (std::vector<QString>{"depuis la page"}));
  EXPECT_EQ(RunScript(view_, QStringLiteral("document.title")), QStringLiteral("\"depuis la page\""))
      << "the page reads back what it wrote";

  // The host's own scripts reach it the same way.
  EXPECT_EQ(RunScript(view_, CommunicationLayer(QStringLiteral("bridge"))), QStringLiteral("null"));
  EXPECT_EQ(RunScript(view_, QStringLiteral("sendbridgeObjectMessage('https://example.org/?q=é'); 'sent'")),
            QStringLiteral("\"sent\""));
  ASSERT_TRUE(PumpUntil([&] { return bridge_->Messages.size() == 2; }));
  EXPECT_EQ(bridge_->Messages.back(), QStringLiteral("https://example.org/?q=é"));
}

TEST_F(BridgeTest, MethodsObjectsAndFailuresAnswerThroughPromises) {
  ShowPage(QStringLiteral(
      "var bridge = chrome.webview.hostObjects.bridge;"
      "bridge.Add(2, 3.5).then(function (sum) { chrome.webview.postMessage({ somme: sum }); });"
      "bridge.Child.then(function (child) { child.ObjectMessage = 'enfant'; });"
      "bridge.Fail().catch(function (e) { chrome.webview.postMessage('erreur : ' + e.message); });"
      "bridge.Missing().catch(function () { chrome.webview.postMessage('inconnu'); });"));
  ASSERT_TRUE(PumpUntil([&] { return Received.size() == 3 && bridge_->Child && !bridge_->Child->Messages.empty(); }));
  std::sort(Received.begin(), Received.end());
  EXPECT_EQ(Received, (std::vector<QString>{"\"erreur : refusé\"", "\"inconnu\"", "{\"somme\":5.5}"}));
  EXPECT_EQ(Texts.size(), 2u) << "only the string messages read as strings";
  EXPECT_EQ(Sources.front(), QStringLiteral("about:blank"));
  EXPECT_EQ(bridge_->Child->Messages, (std::vector<QString>{"enfant"}));
  EXPECT_TRUE(bridge_->Messages.empty());
}

TEST_F(BridgeTest, SettingsAndRemovalCutThePageOff) {
  std::shared_ptr<ICoreWebView2Settings> settings;
  ASSERT_EQ(view_->get_Settings(&settings), S_OK);
  ASSERT_EQ(settings->put_AreHostObjectsAllowed(FALSE), S_OK);
  ShowPage(QStringLiteral("chrome.webview.hostObjects.sync.bridge.ObjectMessage = 'refusé';"
                          "chrome.webview.postMessage('après');"));
  ASSERT_TRUE(PumpUntil([&] { return !Received.empty(); }));
  EXPECT_TRUE(bridge_->Messages.empty());

  ASSERT_EQ(settings->put_AreHostObjectsAllowed(TRUE), S_OK);
  ASSERT_EQ(view_->RemoveHostObjectFromScript(QStringLiteral("bridge")), S_OK);
  EXPECT_EQ(view_->RemoveHostObjectFromScript(QStringLiteral("bridge")), E_INVALIDARG);
  EXPECT_EQ(view_->AddHostObjectToScript(QStringLiteral("bridge"), nullptr), E_INVALIDARG);
  RunScript(view_, QStringLiteral("chrome.webview.hostObjects.sync.bridge.ObjectMessage = 'retiré'; "
                                  "chrome.webview.postMessage('fin');"));
  ASSERT_TRUE(PumpUntil([&] { return Received.size() == 2; }));
  EXPECT_TRUE(bridge_->Messages.empty());
}
