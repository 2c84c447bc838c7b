#pragma once
// Inner workings of the QtWebEngine host behind the WebView2-shaped
// interfaces. Not for use outside platform/webview2.

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>
#include <deque>
#include <exception>
#include <map>
#include <set>
#include <memory>
#include <vector>

#include "platform/webview2/WebView2.h"

class QWebChannel;
class QWebEngineLoadingInfo;
class QWebEngineNewWindowRequest;

namespace webview2 {

// Private scheme of large NavigateToString documents.
inline constexpr char kDocumentScheme[] = "tf-webview2-doc";
// Name of the transport object in the page's web channel.
inline constexpr char kTransportName[] = "tfWebView2Host";
// setHtml's limit: the data URL it makes may not exceed 2 MB.
inline constexpr qsizetype kDataUrlLimit = 2 * 1024 * 1024;

bool DocumentSchemeRegistered();
void ReportHandlerException(std::exception_ptr exception);

// Serves the large documents of the views of one profile, by token.
class DocumentSchemeHandler : public QWebEngineUrlSchemeHandler {
 public:
  using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
  void requestStarted(QWebEngineUrlRequestJob* job) override;
  // Stores the document; its URL is kDocumentScheme:<token>.
  QString Add(const QByteArray& html);
  void Remove(const QString& token);

 private:
  std::map<QString, QByteArray> documents_;
};

// The engine profile of one user-data folder, shared by its environments and
// views; the registry hands out one per folder.
class Profile {
 public:
  explicit Profile(const QString& folder);
  ~Profile();
  Profile(const Profile&) = delete;
  Profile& operator=(const Profile&) = delete;

  const QString& Folder() const { return folder_; }
  QWebEngineProfile* Engine() const { return engine_; }
  DocumentSchemeHandler* Documents() const { return documents_; }
  // Deletes the engine profile now (application shutdown).
  void Release();

 private:
  QString folder_;
  QPointer<QWebEngineProfile> engine_;
  QPointer<DocumentSchemeHandler> documents_;
};

std::shared_ptr<Profile> AcquireProfile(const QString& folder);

class ViewHost;

// Views not yet deleted (closed ones included).
std::set<ViewHost*>& LiveViews();

// Makes a view in parent and completes the handler through the event loop.
void CreateController(std::shared_ptr<Profile> profile, QWidget* parent,
                      ICoreWebView2CreateCoreWebView2ControllerCompletedHandler handler);

// Runs a handler of the host's; what it throws goes to the exception handler
// (SetCoreWebView2ExceptionHandler), never through the engine's event loop.
// A handler that throws counts as having answered E_FAIL.
template <typename Handler, typename... Args>
HRESULT CallHandler(const Handler& handler, Args&&... args) {
  try {
    return handler(std::forward<Args>(args)...);
  } catch (...) {
    ReportHandlerException(std::current_exception());
    return E_FAIL;
  }
}

// Text of the page-side scripts.
QString ScriptResultWrapper(const QString& script);
QString MainWorldBridgeScript();
QString ScriptWorldBridgeScript();

// Windows virtual-key code of a Qt key (0 when it has none).
UINT VirtualKeyFromQtKey(int key, Qt::KeyboardModifiers modifiers);

class ViewHost;

class EnginePage : public QWebEnginePage {
 public:
  EnginePage(QWebEngineProfile* profile, ViewHost* host);

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;

 private:
  QPointer<ViewHost> host_;
};

class EngineView : public QWebEngineView {
 public:
  EngineView(QWidget* parent, ViewHost* host);
  // Tells the host first: the base classes' destructors still send events
  // (focus changes) through the host's event filter, when this object is no
  // longer an EngineView.
  ~EngineView() override;

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  QPointer<ViewHost> host_;
};

// The object page scripts talk to over the web channel. Only its two
// invokable methods are meant for pages; whatever a page sends is untrusted.
class HostTransport : public QObject {
  Q_OBJECT
 public:
  explicit HostTransport(ViewHost* host);
  // A host-object request as JSON; answers {"ok":..,"value":..,"error":..}.
  Q_INVOKABLE QString invoke(const QString& requestJson);

 private:
  QPointer<ViewHost> host_;
};

// One view with its page and everything the interface objects need. Owned by
// its controller; deleted through the event loop after Close.
class ViewHost : public QObject {
 public:
  template <typename Handler>
  struct Handlers {
    std::vector<std::pair<int64_t, Handler>> Items;
  };

  ViewHost(std::shared_ptr<Profile> profile, QWidget* parent);
  ~ViewHost() override;

  bool Closed() const { return closed_; }
  void Close();
  // Deletes the engine objects at once (application shutdown).
  void Destroy();

  EngineView* View() const { return view_; }
  // The view is being destroyed: the host lets go of it.
  void ForgetView(EngineView* view);
  EnginePage* Page() const { return page_; }
  Profile& EngineProfile() const { return *profile_; }

  // Starts the blank first document; ready runs (through the event loop) once
  // the view can navigate and run scripts, or with a failure.
  void Start(std::function<void(HRESULT)> ready);

  // Interface objects handed to event handlers as senders.
  void SetSenders(ICoreWebView2* view, ICoreWebView2Controller* controller);

  template <typename Handler>
  HRESULT Add(Handlers<Handler>& list, Handler handler, EventRegistrationToken* token) {
    if (closed_) return HRESULT_FROM_WIN32(ERROR_INVALID_STATE);
    if (!handler || !token) return E_POINTER;
    token->value = ++lastToken_;
    list.Items.emplace_back(token->value, std::move(handler));
    return S_OK;
  }
  template <typename Handler>
  HRESULT Remove(Handlers<Handler>& list, EventRegistrationToken token) {
    for (auto it = list.Items.begin(); it != list.Items.end(); ++it)
      if (it->first == token.value) {
        list.Items.erase(it);
        return S_OK;
      }
    return S_OK;  // unknown tokens are ignored, as the engine does
  }

  Handlers<ICoreWebView2NavigationStartingEventHandler> NavigationStarting;
  Handlers<ICoreWebView2SourceChangedEventHandler> SourceChanged;
  Handlers<ICoreWebView2NavigationCompletedEventHandler> NavigationCompleted;
  Handlers<ICoreWebView2DocumentTitleChangedEventHandler> DocumentTitleChanged;
  Handlers<ICoreWebView2WebMessageReceivedEventHandler> WebMessageReceived;
  Handlers<ICoreWebView2NewWindowRequestedEventHandler> NewWindowRequested;
  Handlers<ICoreWebView2ContextMenuRequestedEventHandler> ContextMenuRequested;
  Handlers<ICoreWebView2AcceleratorKeyPressedEventHandler> AcceleratorKeyPressed;
  Handlers<ICoreWebView2FocusChangedEventHandler> GotFocus;
  Handlers<ICoreWebView2FocusChangedEventHandler> LostFocus;

  // Operations of the interfaces.
  HRESULT Navigate(const QString& uri);
  HRESULT NavigateToString(const QString& html);
  HRESULT ExecuteScript(const QString& script, ICoreWebView2ExecuteScriptCompletedHandler handler);
  HRESULT CapturePreview(COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT format, QIODevice* stream,
                         ICoreWebView2CapturePreviewCompletedHandler handler);
  HRESULT AddHostObject(const QString& name, std::shared_ptr<IDispatch> object);
  HRESULT RemoveHostObject(const QString& name);
  HRESULT OpenDevTools();
  QString Source() const;

  // Settings kept by the host (the others live in the engine's settings).
  bool WebMessageEnabled = true;
  bool HostObjectsAllowed = true;
  bool DevToolsEnabled = true;
  bool ContextMenusEnabled = true;
  void ApplyContextMenuPolicy();

  // Engine callbacks.
  bool OnNavigationRequest(const QUrl& url, QWebEnginePage::NavigationType type, bool isMainFrame);
  void OnContextMenu(QContextMenuEvent* event, const std::function<void()>& showDefault);
  QString OnTransportRequest(const QString& requestJson);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Navigation {
    UINT64 Id = 0;
    QUrl Url;
    bool Cancelled = false;
  };
  struct PendingScript {
    quint64 Id = 0;
    ICoreWebView2ExecuteScriptCompletedHandler Handler;
    bool Done = false;
    QString Result;
  };

  void OnLoadingChanged(const QWebEngineLoadingInfo& info);
  void OnUrlChanged(const QUrl& url);
  void OnTitleChanged();
  void OnNewWindowRequested(QWebEngineNewWindowRequest& request);
  bool OnKey(QKeyEvent* event);
  void WatchWidget(QWidget* widget);
  void CompleteNavigation(const Navigation& navigation, bool success, COREWEBVIEW2_WEB_ERROR_STATUS status);
  void ScriptFinished(quint64 id, const QString& json);
  void DeliverFinishedScripts();
  void FlushScripts();
  void ReleaseDocument();
  QString InvokeHostObject(const QJsonObject& request);
  QJsonValue ToPage(const QVariant& value);

  std::shared_ptr<Profile> profile_;
  QPointer<EngineView> view_;
  QPointer<EnginePage> page_;
  QPointer<QWebChannel> channel_;
  QPointer<HostTransport> transport_;
  QPointer<QWebEngineView> devToolsView_;
  ICoreWebView2* senderView_ = nullptr;
  ICoreWebView2Controller* senderController_ = nullptr;
  bool closed_ = false;
  bool starting_ = false;
  std::function<void(HRESULT)> ready_;
  int64_t lastToken_ = 0;

  UINT64 lastNavigationId_ = 0;
  std::deque<Navigation> navigations_;
  QString source_;  // as reported by get_Source and SourceChanged
  QString documentToken_;

  quint64 lastScriptId_ = 0;
  std::deque<PendingScript> scripts_;

  std::map<QString, std::shared_ptr<IDispatch>> hostObjects_;
  std::map<int, std::shared_ptr<IDispatch>> subObjects_;
  int lastSubObject_ = 0;

  std::vector<QPointer<QWidget>> watched_;
};

}  // namespace webview2
