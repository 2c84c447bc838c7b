// The view host: one QWebEngineView with its page, the web channel of host
// objects, and the interface objects (controller, web view, settings) over it.

#include <QApplication>
#include <QBuffer>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QMetaObject>
#include <QPixmap>
#include <QTimer>
#include <QWebChannel>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

#include "platform/webview2/LogCategories.h"
#include "platform/webview2/WebView2Internal.h"

namespace webview2 {

namespace {

constexpr int kStartTimeoutMs = 30000;

template <typename Fn>
void Post(Fn fn) {
  QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(fn), Qt::QueuedConnection);
}

constexpr HRESULT kClosed = HRESULT_FROM_WIN32(ERROR_INVALID_STATE);

bool IsDocumentUrl(const QUrl& url) {
  return url.scheme() == QLatin1String("data") || url.scheme() == QLatin1String(kDocumentScheme);
}

// What get_Source and the navigation events report for a URL.
QString DisplayUri(const QUrl& url) {
  if (IsDocumentUrl(url)) return QStringLiteral("about:blank");
  return url.toString(QUrl::FullyEncoded);
}

// Chromium network error codes (negative) to the engine-neutral statuses.
COREWEBVIEW2_WEB_ERROR_STATUS StatusFromNetError(int code) {
  switch (code) {
    case -3: return COREWEBVIEW2_WEB_ERROR_STATUS_OPERATION_CANCELED;         // ABORTED
    case -7:                                                                    // TIMED_OUT
    case -118: return COREWEBVIEW2_WEB_ERROR_STATUS_TIMEOUT;                   // CONNECTION_TIMED_OUT
    case -21:                                                                   // NETWORK_CHANGED
    case -100:                                                                  // CONNECTION_CLOSED
    case -106: return COREWEBVIEW2_WEB_ERROR_STATUS_DISCONNECTED;              // INTERNET_DISCONNECTED
    case -101: return COREWEBVIEW2_WEB_ERROR_STATUS_CONNECTION_RESET;
    case -103: return COREWEBVIEW2_WEB_ERROR_STATUS_CONNECTION_ABORTED;
    case -102:                                                                  // CONNECTION_REFUSED
    case -104:                                                                  // CONNECTION_FAILED
    case -312: return COREWEBVIEW2_WEB_ERROR_STATUS_CANNOT_CONNECT;            // UNSAFE_PORT
    case -109: return COREWEBVIEW2_WEB_ERROR_STATUS_SERVER_UNREACHABLE;        // ADDRESS_UNREACHABLE
    case -105:                                                                  // NAME_NOT_RESOLVED
    case -137: return COREWEBVIEW2_WEB_ERROR_STATUS_HOST_NAME_NOT_RESOLVED;    // NAME_RESOLUTION_FAILED
    case -110: return COREWEBVIEW2_WEB_ERROR_STATUS_CLIENT_CERTIFICATE_CONTAINS_ERRORS;
    case -200: return COREWEBVIEW2_WEB_ERROR_STATUS_CERTIFICATE_COMMON_NAME_IS_INCORRECT;
    case -201: return COREWEBVIEW2_WEB_ERROR_STATUS_CERTIFICATE_EXPIRED;
    case -206: return COREWEBVIEW2_WEB_ERROR_STATUS_CERTIFICATE_REVOKED;
    case -202:                                                                  // CERT_AUTHORITY_INVALID
    case -207: return COREWEBVIEW2_WEB_ERROR_STATUS_CERTIFICATE_IS_INVALID;    // CERT_INVALID
    case -310: return COREWEBVIEW2_WEB_ERROR_STATUS_REDIRECT_FAILED;           // TOO_MANY_REDIRECTS
    case -320:                                                                  // INVALID_RESPONSE
    case -324: return COREWEBVIEW2_WEB_ERROR_STATUS_ERROR_HTTP_INVALID_SERVER_RESPONSE;  // EMPTY_RESPONSE
    default: return COREWEBVIEW2_WEB_ERROR_STATUS_UNEXPECTED_ERROR;
  }
}

// --- event argument objects -------------------------------------------------

class NavigationStartingArgs : public ICoreWebView2NavigationStartingEventArgs {
 public:
  NavigationStartingArgs(QString uri, bool userInitiated, bool redirected, UINT64 id)
      : uri_(std::move(uri)), userInitiated_(userInitiated), redirected_(redirected), id_(id) {}
  HRESULT get_Uri(QString* uri) override { return Out(uri, uri_); }
  HRESULT get_IsUserInitiated(BOOL* value) override { return Out(value, BOOL(userInitiated_)); }
  HRESULT get_IsRedirected(BOOL* value) override { return Out(value, BOOL(redirected_)); }
  HRESULT get_Cancel(BOOL* cancel) override { return Out(cancel, BOOL(cancel_)); }
  HRESULT put_Cancel(BOOL cancel) override {
    cancel_ = cancel != FALSE;
    return S_OK;
  }
  HRESULT get_NavigationId(UINT64* id) override { return Out(id, id_); }
  bool Cancelled() const { return cancel_; }

 private:
  template <typename T>
  static HRESULT Out(T* target, const T& value) {
    if (!target) return E_POINTER;
    *target = value;
    return S_OK;
  }
  QString uri_;
  bool userInitiated_;
  bool redirected_;
  UINT64 id_;
  bool cancel_ = false;
};

class NavigationCompletedArgs : public ICoreWebView2NavigationCompletedEventArgs {
 public:
  NavigationCompletedArgs(bool success, COREWEBVIEW2_WEB_ERROR_STATUS status, UINT64 id)
      : success_(success), status_(status), id_(id) {}
  HRESULT get_IsSuccess(BOOL* value) override {
    if (!value) return E_POINTER;
    *value = success_;
    return S_OK;
  }
  HRESULT get_WebErrorStatus(COREWEBVIEW2_WEB_ERROR_STATUS* value) override {
    if (!value) return E_POINTER;
    *value = status_;
    return S_OK;
  }
  HRESULT get_NavigationId(UINT64* value) override {
    if (!value) return E_POINTER;
    *value = id_;
    return S_OK;
  }

 private:
  bool success_;
  COREWEBVIEW2_WEB_ERROR_STATUS status_;
  UINT64 id_;
};

class SourceChangedArgs : public ICoreWebView2SourceChangedEventArgs {
 public:
  explicit SourceChangedArgs(bool newDocument) : newDocument_(newDocument) {}
  HRESULT get_IsNewDocument(BOOL* value) override {
    if (!value) return E_POINTER;
    *value = newDocument_;
    return S_OK;
  }

 private:
  bool newDocument_;
};

class WebMessageArgs : public ICoreWebView2WebMessageReceivedEventArgs {
 public:
  WebMessageArgs(QString source, QString json) : source_(std::move(source)), json_(std::move(json)) {}
  HRESULT get_Source(QString* source) override {
    if (!source) return E_POINTER;
    *source = source_;
    return S_OK;
  }
  HRESULT get_WebMessageAsJson(QString* json) override {
    if (!json) return E_POINTER;
    *json = json_;
    return S_OK;
  }
  HRESULT TryGetWebMessageAsString(QString* text) override {
    if (!text) return E_POINTER;
    text->clear();
    const QJsonDocument document = QJsonDocument::fromJson("[" + json_.toUtf8() + "]");
    const QJsonValue value = document.array().at(0);
    if (!value.isString()) return E_INVALIDARG;
    *text = value.toString();
    return S_OK;
  }

 private:
  QString source_;
  QString json_;
};

class AcceleratorKeyArgs : public ICoreWebView2AcceleratorKeyPressedEventArgs {
 public:
  AcceleratorKeyArgs(COREWEBVIEW2_KEY_EVENT_KIND kind, UINT key, INT lParam)
      : kind_(kind), key_(key), lParam_(lParam) {}
  HRESULT get_KeyEventKind(COREWEBVIEW2_KEY_EVENT_KIND* kind) override {
    if (!kind) return E_POINTER;
    *kind = kind_;
    return S_OK;
  }
  HRESULT get_VirtualKey(UINT* key) override {
    if (!key) return E_POINTER;
    *key = key_;
    return S_OK;
  }
  HRESULT get_KeyEventLParam(INT* lParam) override {
    if (!lParam) return E_POINTER;
    *lParam = lParam_;
    return S_OK;
  }
  HRESULT get_Handled(BOOL* handled) override {
    if (!handled) return E_POINTER;
    *handled = handled_;
    return S_OK;
  }
  HRESULT put_Handled(BOOL handled) override {
    handled_ = handled != FALSE;
    return S_OK;
  }
  bool Handled() const { return handled_; }

 private:
  COREWEBVIEW2_KEY_EVENT_KIND kind_;
  UINT key_;
  INT lParam_;
  bool handled_ = false;
};

class NewWindowArgs : public ICoreWebView2NewWindowRequestedEventArgs {
 public:
  NewWindowArgs(QString uri, bool userInitiated) : uri_(std::move(uri)), userInitiated_(userInitiated) {}
  HRESULT get_Uri(QString* uri) override {
    if (!uri) return E_POINTER;
    *uri = uri_;
    return S_OK;
  }
  HRESULT put_NewWindow(ICoreWebView2* window) override {
    newWindow_ = window;
    return S_OK;
  }
  HRESULT get_NewWindow(ICoreWebView2** window) override {
    if (!window) return E_POINTER;
    *window = newWindow_;
    return S_OK;
  }
  HRESULT put_Handled(BOOL handled) override {
    handled_ = handled != FALSE;
    return S_OK;
  }
  HRESULT get_Handled(BOOL* handled) override {
    if (!handled) return E_POINTER;
    *handled = handled_;
    return S_OK;
  }
  HRESULT get_IsUserInitiated(BOOL* value) override {
    if (!value) return E_POINTER;
    *value = userInitiated_;
    return S_OK;
  }
  ICoreWebView2* NewWindow() const { return newWindow_; }

 private:
  QString uri_;
  bool userInitiated_;
  ICoreWebView2* newWindow_ = nullptr;
  bool handled_ = false;
};

class ContextMenuArgs : public ICoreWebView2ContextMenuRequestedEventArgs {
 public:
  explicit ContextMenuArgs(QPoint location) : location_(location) {}
  HRESULT get_Location(QPoint* location) override {
    if (!location) return E_POINTER;
    *location = location_;
    return S_OK;
  }
  HRESULT put_Handled(BOOL handled) override {
    handled_ = handled != FALSE;
    return S_OK;
  }
  HRESULT get_Handled(BOOL* handled) override {
    if (!handled) return E_POINTER;
    *handled = handled_;
    return S_OK;
  }
  bool Handled() const { return handled_; }

 private:
  QPoint location_;
  bool handled_ = false;
};

// Calls every handler of a list (a copy: handlers may add or remove others),
// stopping once the view is closed by one of them.
template <typename Handler, typename... Args>
void Raise(const ViewHost& host, const ViewHost::Handlers<Handler>& list, Args... args) {
  const auto items = list.Items;
  for (const auto& item : items) {
    if (host.Closed()) return;
    CallHandler(item.second, args...);
  }
}

}  // namespace

// --- page and view ------------------------------------------------------------

EnginePage::EnginePage(QWebEngineProfile* profile, ViewHost* host) : QWebEnginePage(profile), host_(host) {}

bool EnginePage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
  if (!host_) return false;
  return host_->OnNavigationRequest(url, type, isMainFrame);
}

EngineView::EngineView(QWidget* parent, ViewHost* host) : QWebEngineView(parent), host_(host) {}

EngineView::~EngineView() {
  if (host_) host_->ForgetView(this);
}

void EngineView::contextMenuEvent(QContextMenuEvent* event) {
  if (!host_) return;
  host_->OnContextMenu(event, [this, event] { QWebEngineView::contextMenuEvent(event); });
}

HostTransport::HostTransport(ViewHost* host) : host_(host) {}

QString HostTransport::invoke(const QString& requestJson) {
  if (!host_) return QStringLiteral("{\"ok\":false,\"error\":\"the view is closed\"}");
  return host_->OnTransportRequest(requestJson);
}

// --- view host ----------------------------------------------------------------

ViewHost::ViewHost(std::shared_ptr<Profile> profile, QWidget* parent) : profile_(std::move(profile)) {
  LiveViews().insert(this);
  page_ = new EnginePage(profile_->Engine(), this);
  view_ = new EngineView(parent, this);
  view_->setPage(page_);
  view_->setGeometry(parent ? parent->rect() : QRect());
  WatchWidget(view_);

  transport_ = new HostTransport(this);
  channel_ = new QWebChannel(this);
  channel_->registerObject(QLatin1String(kTransportName), transport_);
  page_->setWebChannel(channel_, QWebEngineScript::MainWorld);

  QWebEngineScript mainWorld;
  mainWorld.setName(QStringLiteral("tf-webview2-main"));
  mainWorld.setInjectionPoint(QWebEngineScript::DocumentCreation);
  mainWorld.setWorldId(QWebEngineScript::MainWorld);
  mainWorld.setRunsOnSubFrames(false);
  mainWorld.setSourceCode(MainWorldBridgeScript());
  page_->scripts().insert(mainWorld);

  QWebEngineScript scriptWorld;
  scriptWorld.setName(QStringLiteral("tf-webview2-scripts"));
  scriptWorld.setInjectionPoint(QWebEngineScript::DocumentCreation);
  scriptWorld.setWorldId(QWebEngineScript::ApplicationWorld);
  scriptWorld.setRunsOnSubFrames(false);
  scriptWorld.setSourceCode(ScriptWorldBridgeScript());
  page_->scripts().insert(scriptWorld);

  QObject::connect(page_, &QWebEnginePage::loadingChanged, this,
                   [this](const QWebEngineLoadingInfo& info) { OnLoadingChanged(info); });
  QObject::connect(page_, &QWebEnginePage::urlChanged, this, [this](const QUrl& url) { OnUrlChanged(url); });
  QObject::connect(page_, &QWebEnginePage::titleChanged, this, [this] { OnTitleChanged(); });
  QObject::connect(page_, &QWebEnginePage::newWindowRequested, this,
                   [this](QWebEngineNewWindowRequest& request) { OnNewWindowRequested(request); });
  // A view deleted with its parent window ends the host.
  QObject::connect(view_, &QObject::destroyed, this, [this] {
    view_.clear();  // half destroyed already: not to be touched
    if (!closed_) Close();
  });
}

ViewHost::~ViewHost() {
  LiveViews().erase(this);
  Destroy();
}

void ViewHost::Destroy() {
  closed_ = true;
  FlushScripts();
  ReleaseDocument();
  delete devToolsView_.data();
  delete page_.data();
  delete view_.data();
  delete channel_.data();
  delete transport_.data();
  hostObjects_.clear();
  subObjects_.clear();
}

void ViewHost::SetSenders(ICoreWebView2* view, ICoreWebView2Controller* controller) {
  senderView_ = view;
  senderController_ = controller;
}

void ViewHost::Start(std::function<void(HRESULT)> ready) {
  ready_ = std::move(ready);
  starting_ = true;
  page_->setUrl(QUrl(QStringLiteral("about:blank")));
  QTimer::singleShot(kStartTimeoutMs, this, [this] {
    if (!starting_) return;
    starting_ = false;
    if (auto ready = std::move(ready_)) Post([ready] { ready(HRESULT_FROM_WIN32(ERROR_TIMEOUT)); });
  });
}

void ViewHost::Close() {
  if (closed_) return;
  closed_ = true;
  if (starting_) {
    starting_ = false;
    if (auto ready = std::move(ready_)) Post([ready] { ready(E_ABORT); });
  }
  FlushScripts();
  ReleaseDocument();
  senderView_ = nullptr;
  senderController_ = nullptr;
  NavigationStarting.Items.clear();
  SourceChanged.Items.clear();
  NavigationCompleted.Items.clear();
  DocumentTitleChanged.Items.clear();
  WebMessageReceived.Items.clear();
  NewWindowRequested.Items.clear();
  ContextMenuRequested.Items.clear();
  AcceleratorKeyPressed.Items.clear();
  GotFocus.Items.clear();
  LostFocus.Items.clear();
  hostObjects_.clear();
  subObjects_.clear();
  if (view_) view_->hide();
  // Closing may come from inside one of the page's own signals: the engine
  // objects go on the next turn of the event loop (a timer, which event
  // pumping outside QEventLoop::exec also runs), the profile after them.
  QTimer::singleShot(0, QCoreApplication::instance(), [self = QPointer<ViewHost>(this)] { delete self.data(); });
}

void ViewHost::FlushScripts() {
  std::deque<PendingScript> scripts;
  scripts.swap(scripts_);
  for (PendingScript& script : scripts) {
    if (!script.Handler) continue;
    const QString result = script.Done ? script.Result : QStringLiteral("null");
    Post([handler = std::move(script.Handler), result] { CallHandler(handler, S_OK, result); });
  }
}

void ViewHost::ReleaseDocument() {
  if (!documentToken_.isEmpty() && profile_->Documents()) profile_->Documents()->Remove(documentToken_);
  documentToken_.clear();
}

// --- navigation -----------------------------------------------------------------

HRESULT ViewHost::Navigate(const QString& uri) {
  if (closed_) return kClosed;
  const QUrl url(uri, QUrl::StrictMode);
  if (uri.trimmed().isEmpty() || !url.isValid() || url.isRelative()) return E_INVALIDARG;
  page_->load(url);
  return S_OK;
}

HRESULT ViewHost::NavigateToString(const QString& html) {
  if (closed_) return kClosed;
  const QByteArray utf8 = html.toUtf8();
  const qsizetype dataUrlSize =
      qsizetype(sizeof("data:text/html;charset=UTF-8,")) + utf8.toPercentEncoding().size();
  if (dataUrlSize <= kDataUrlLimit) {
    ReleaseDocument();
    page_->setHtml(html);
    return S_OK;
  }
  if (!profile_->Documents()) return E_INVALIDARG;  // no private scheme: the engine's own limit holds
  const QString previous = documentToken_;
  documentToken_ = profile_->Documents()->Add(utf8);
  if (!previous.isEmpty()) profile_->Documents()->Remove(previous);
  page_->load(QUrl(QLatin1String(kDocumentScheme) + QLatin1Char(':') + documentToken_));
  return S_OK;
}

QString ViewHost::Source() const { return source_.isEmpty() ? QStringLiteral("about:blank") : source_; }

bool ViewHost::OnNavigationRequest(const QUrl& url, QWebEnginePage::NavigationType type, bool isMainFrame) {
  if (closed_) return false;
  if (!isMainFrame || starting_) return true;
  const bool redirected = type == QWebEnginePage::NavigationTypeRedirect && !navigations_.empty();
  if (redirected) {
    navigations_.back().Url = url;
  } else {
    navigations_.push_back({++lastNavigationId_, url, false});
  }
  const bool userInitiated =
      type == QWebEnginePage::NavigationTypeLinkClicked || type == QWebEnginePage::NavigationTypeFormSubmitted;
  NavigationStartingArgs args(DisplayUri(url), userInitiated, redirected, navigations_.back().Id);
  // The navigation is in the list before handlers run: one of them may
  // navigate again or close the view.
  const UINT64 id = navigations_.back().Id;
  Raise(*this, NavigationStarting, senderView_, static_cast<ICoreWebView2NavigationStartingEventArgs*>(&args));
  if (closed_) return false;
  if (!args.Cancelled()) return true;
  for (Navigation& navigation : navigations_)
    if (navigation.Id == id) navigation.Cancelled = true;
  return false;
}

void ViewHost::OnLoadingChanged(const QWebEngineLoadingInfo& info) {
  if (closed_) return;
  if (starting_) {
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) return;
    starting_ = false;
    source_ = QStringLiteral("about:blank");
    const HRESULT result = info.status() == QWebEngineLoadingInfo::LoadSucceededStatus ? S_OK : E_FAIL;
    if (auto ready = std::move(ready_)) Post([ready, result] { ready(result); });
    return;
  }
  if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
    // Host objects handed out to the previous document die with it.
    subObjects_.clear();
    return;
  }
  if (navigations_.empty()) return;  // same-document or engine-internal loads

  bool success = false;
  COREWEBVIEW2_WEB_ERROR_STATUS status = COREWEBVIEW2_WEB_ERROR_STATUS_UNKNOWN;
  switch (info.status()) {
    case QWebEngineLoadingInfo::LoadSucceededStatus:
      if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain && info.errorCode() >= 400) {
        status = info.errorCode() == 401   ? COREWEBVIEW2_WEB_ERROR_STATUS_VALID_AUTHENTICATION_CREDENTIALS_REQUIRED
                 : info.errorCode() == 407 ? COREWEBVIEW2_WEB_ERROR_STATUS_VALID_PROXY_AUTHENTICATION_REQUIRED
                                           : COREWEBVIEW2_WEB_ERROR_STATUS_UNKNOWN;
      } else {
        success = !info.isErrorPage();
      }
      break;
    case QWebEngineLoadingInfo::LoadStoppedStatus:
      status = COREWEBVIEW2_WEB_ERROR_STATUS_OPERATION_CANCELED;
      break;
    case QWebEngineLoadingInfo::LoadFailedStatus:
      status = info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain
                   ? COREWEBVIEW2_WEB_ERROR_STATUS_UNKNOWN
                   : StatusFromNetError(info.errorCode());
      break;
    default:
      return;
  }

  // The load that ended is the newest navigation with its URL; older ones
  // were superseded by it and end as cancelled.
  auto match = navigations_.end();
  for (auto it = navigations_.begin(); it != navigations_.end(); ++it)
    if (it->Url == info.url()) match = it;
  if (match == navigations_.end()) match = navigations_.begin();
  std::vector<Navigation> ended(navigations_.begin(), match + 1);
  navigations_.erase(navigations_.begin(), match + 1);
  for (size_t i = 0; i + 1 < ended.size(); ++i)
    CompleteNavigation(ended[i], false, COREWEBVIEW2_WEB_ERROR_STATUS_OPERATION_CANCELED);
  const Navigation& last = ended.back();
  if (last.Cancelled) {
    success = false;
    status = COREWEBVIEW2_WEB_ERROR_STATUS_OPERATION_CANCELED;
  }
  CompleteNavigation(last, success, status);
}

void ViewHost::CompleteNavigation(const Navigation& navigation, bool success, COREWEBVIEW2_WEB_ERROR_STATUS status) {
  if (closed_) return;
  NavigationCompletedArgs args(success, success ? COREWEBVIEW2_WEB_ERROR_STATUS_UNKNOWN : status, navigation.Id);
  Raise(*this, NavigationCompleted, senderView_, static_cast<ICoreWebView2NavigationCompletedEventArgs*>(&args));
}

void ViewHost::OnUrlChanged(const QUrl& url) {
  if (closed_ || starting_) return;
  const QString uri = DisplayUri(url);
  if (uri == source_) return;
  const QUrl previous(source_);
  const bool sameDocument = !source_.isEmpty() && navigations_.empty() &&
                            previous.adjusted(QUrl::RemoveFragment) == url.adjusted(QUrl::RemoveFragment);
  source_ = uri;
  SourceChangedArgs args(!sameDocument);
  Raise(*this, SourceChanged, senderView_, static_cast<ICoreWebView2SourceChangedEventArgs*>(&args));
}

void ViewHost::OnTitleChanged() {
  if (closed_ || starting_) return;
  Raise(*this, DocumentTitleChanged, senderView_, static_cast<IUnknown*>(nullptr));
}

void ViewHost::OnNewWindowRequested(QWebEngineNewWindowRequest& request) {
  if (closed_) return;
  NewWindowArgs args(DisplayUri(request.requestedUrl()), request.isUserInitiated());
  Raise(*this, NewWindowRequested, senderView_, static_cast<ICoreWebView2NewWindowRequestedEventArgs*>(&args));
  if (closed_ || !args.NewWindow()) return;  // unhandled requests open nothing
  for (ViewHost* other : LiveViews())
    if (other->senderView_ == args.NewWindow() && !other->Closed()) {
      other->Page()->acceptAsNewWindow(request);
      return;
    }
}

// --- scripts ----------------------------------------------------------------------

HRESULT ViewHost::ExecuteScript(const QString& script, ICoreWebView2ExecuteScriptCompletedHandler handler) {
  if (closed_) return kClosed;
  const quint64 id = ++lastScriptId_;
  scripts_.push_back({id, std::move(handler), false, QString()});
  QPointer<ViewHost> self(this);
  page_->runJavaScript(ScriptResultWrapper(script), QWebEngineScript::ApplicationWorld,
                       [self, id](const QVariant& value) {
                         if (!self) return;
                         self->ScriptFinished(id, value.typeId() == QMetaType::QString ? value.toString()
                                                                                     : QStringLiteral("null"));
                       });
  return S_OK;
}

void ViewHost::ScriptFinished(quint64 id, const QString& json) {
  for (PendingScript& script : scripts_)
    if (script.Id == id) {
      script.Done = true;
      script.Result = json;
    }
  DeliverFinishedScripts();
}

void ViewHost::DeliverFinishedScripts() {
  // In start order: a finished script waits for the ones started before it.
  while (!scripts_.empty() && scripts_.front().Done) {
    PendingScript script = std::move(scripts_.front());
    scripts_.pop_front();
    if (script.Handler)
      Post([handler = std::move(script.Handler), result = script.Result] { CallHandler(handler, S_OK, result); });
  }
}

// --- pictures -----------------------------------------------------------------------

HRESULT ViewHost::CapturePreview(COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT format, QIODevice* stream,
                                 ICoreWebView2CapturePreviewCompletedHandler handler) {
  if (closed_) return kClosed;
  if (!stream) return E_INVALIDARG;
  if (format != COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT_PNG && format != COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT_JPEG)
    return E_INVALIDARG;
  QPointer<QIODevice> target(stream);
  QPointer<ViewHost> self(this);
  Post([self, target, format, handler = std::move(handler)] {
    HRESULT result = E_FAIL;
    if (!self || self->Closed() || !self->View()) {
      result = kClosed;
    } else if (target) {
      const QImage picture = self->View()->grab().toImage();
      if (!target->isOpen()) target->open(QIODevice::WriteOnly);
      if (!picture.isNull() && target->isWritable() &&
          picture.save(target.data(), format == COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT_PNG ? "PNG" : "JPG"))
        result = S_OK;
    }
    if (handler) CallHandler(handler, result);
  });
  return S_OK;
}

// --- host objects ---------------------------------------------------------------------

HRESULT ViewHost::AddHostObject(const QString& name, std::shared_ptr<IDispatch> object) {
  if (closed_) return kClosed;
  if (name.isEmpty() || !object) return E_INVALIDARG;
  hostObjects_[name] = std::move(object);
  return S_OK;
}

HRESULT ViewHost::RemoveHostObject(const QString& name) {
  if (closed_) return kClosed;
  if (hostObjects_.erase(name) == 0) return E_INVALIDARG;
  // Objects reached through it may belong to it: the page loses them all.
  subObjects_.clear();
  return S_OK;
}

QString ViewHost::OnTransportRequest(const QString& requestJson) {
  auto answer = [](bool ok, const QJsonValue& value, const QString& error, HRESULT hr) {
    QJsonObject object{{QStringLiteral("ok"), ok}};
    if (ok) {
      object.insert(QStringLiteral("value"), value);
    } else {
      object.insert(QStringLiteral("error"), error);
      object.insert(QStringLiteral("hr"), double(uint32_t(hr)));
    }
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
  };
  if (closed_) return answer(false, {}, QStringLiteral("the view is closed"), kClosed);
  const QJsonObject request = QJsonDocument::fromJson(requestJson.toUtf8()).object();
  const QString kind = request.value(QStringLiteral("kind")).toString();

  if (kind == QLatin1String("message")) {
    if (!WebMessageEnabled) return answer(false, {}, QStringLiteral("web messages are disabled"), E_ACCESSDENIED);
    WebMessageArgs args(Source(), request.value(QStringLiteral("message")).toString());
    Raise(*this, WebMessageReceived, senderView_, static_cast<ICoreWebView2WebMessageReceivedEventArgs*>(&args));
    return answer(true, QJsonValue(), QString(), S_OK);
  }
  if (!HostObjectsAllowed) return answer(false, {}, QStringLiteral("host objects are not allowed"), E_ACCESSDENIED);

  const QJsonObject ref = request.value(QStringLiteral("ref")).toObject();
  std::shared_ptr<IDispatch> object;
  if (ref.contains(QStringLiteral("name"))) {
    const auto found = hostObjects_.find(ref.value(QStringLiteral("name")).toString());
    if (found != hostObjects_.end()) object = found->second;
  } else {
    const auto found = subObjects_.find(ref.value(QStringLiteral("id")).toInt(-1));
    if (found != subObjects_.end()) object = found->second;
  }
  if (!object) return answer(false, {}, QStringLiteral("no such host object"), E_INVALIDARG);

  const QString member = request.value(QStringLiteral("member")).toString();
  const QJsonArray args = request.value(QStringLiteral("args")).toArray();
  WORD flags = 0;
  DISPPARAMS params;
  for (qsizetype i = args.size() - 1; i >= 0; --i) params.rgvarg.append(args.at(i).toVariant());
  if (kind == QLatin1String("get")) {
    flags = DISPATCH_PROPERTYGET;
  } else if (kind == QLatin1String("put")) {
    if (params.rgvarg.size() != 1) return answer(false, {}, QStringLiteral("a write takes one value"), DISP_E_BADPARAMCOUNT);
    flags = DISPATCH_PROPERTYPUT;
    params.rgdispidNamedArgs.append(DISPID_PROPERTYPUT);
  } else if (kind == QLatin1String("call")) {
    flags = DISPATCH_METHOD;
  } else {
    return answer(false, {}, QStringLiteral("unknown request"), E_INVALIDARG);
  }

  // The object is the host's code: whatever it raises stays on this side.
  try {
    QList<DISPID> ids;
    HRESULT hr = object->GetIDsOfNames({member}, &ids);
    if (FAILED(hr) || ids.isEmpty() || ids.front() == DISPID_UNKNOWN)
      return answer(false, {}, QStringLiteral("unknown member %1").arg(member), FAILED(hr) ? hr : DISP_E_UNKNOWNNAME);
    QVariant result;
    EXCEPINFO exception;
    UINT argError = 0;
    hr = object->Invoke(ids.front(), flags, &params, &result, &exception, &argError);
    if (FAILED(hr)) {
      const QString message = !exception.bstrDescription.isEmpty()
                                  ? exception.bstrDescription
                                  : QStringLiteral("host object error 0x%1").arg(uint32_t(hr), 8, 16, QLatin1Char('0'));
      return answer(false, {}, message, hr);
    }
    return answer(true, ToPage(result), QString(), S_OK);
  } catch (...) {
    ReportHandlerException(std::current_exception());
    return answer(false, {}, QStringLiteral("host object raised an exception"), DISP_E_EXCEPTION);
  }
}

QJsonValue ViewHost::ToPage(const QVariant& value) {
  if (value.metaType() == QMetaType::fromType<std::shared_ptr<IDispatch>>()) {
    auto object = value.value<std::shared_ptr<IDispatch>>();
    if (!object) return QJsonValue();
    for (const auto& [id, known] : subObjects_)
      if (known == object) return QJsonObject{{QStringLiteral("$hostObject"), id}};
    const int id = ++lastSubObject_;
    subObjects_[id] = std::move(object);
    return QJsonObject{{QStringLiteral("$hostObject"), id}};
  }
  return QJsonValue::fromVariant(value);
}

// --- keys, focus, menus, tools ------------------------------------------------------------

// The page's own widget (the view's focus proxy) appears as a child of the
// view once the engine has made it: every child widget is filtered.
void ViewHost::WatchWidget(QWidget* widget) {
  if (!widget) return;
  for (const auto& known : watched_)
    if (known == widget) return;
  watched_.emplace_back(widget);
  widget->installEventFilter(this);
  for (QObject* child : widget->children())
    if (auto* childWidget = qobject_cast<QWidget*>(child)) WatchWidget(childWidget);
}

void ViewHost::ForgetView(EngineView* view) {
  if (view_ == view) view_ = nullptr;
}

bool ViewHost::eventFilter(QObject* watched, QEvent* event) {
  if (closed_) return false;
  switch (event->type()) {
    case QEvent::ChildAdded: {
      auto* child = static_cast<QChildEvent*>(event)->child();
      if (auto* widget = qobject_cast<QWidget*>(child)) WatchWidget(widget);
      return false;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      if (watched == view_) return false;  // the page's widget gets the key after the view
      return OnKey(static_cast<QKeyEvent*>(event));
    case QEvent::FocusIn:
      if (watched == view_) return false;
      Raise(*this, GotFocus, senderController_, static_cast<IUnknown*>(nullptr));
      return false;
    case QEvent::FocusOut:
      if (watched == view_) return false;
      Raise(*this, LostFocus, senderController_, static_cast<IUnknown*>(nullptr));
      return false;
    default:
      return false;
  }
}

bool ViewHost::OnKey(QKeyEvent* event) {
  const bool alt = event->modifiers() & Qt::AltModifier;
  const bool accelerator = (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) || event->text().isEmpty() ||
                           event->key() == Qt::Key_Escape;
  if (!accelerator || AcceleratorKeyPressed.Items.empty()) return false;
  const UINT key = VirtualKeyFromQtKey(event->key(), event->modifiers());
  if (key == 0) return false;
  const bool release = event->type() == QEvent::KeyRelease;
  const COREWEBVIEW2_KEY_EVENT_KIND kind =
      alt ? (release ? COREWEBVIEW2_KEY_EVENT_KIND_SYSTEM_KEY_UP : COREWEBVIEW2_KEY_EVENT_KIND_SYSTEM_KEY_DOWN)
          : (release ? COREWEBVIEW2_KEY_EVENT_KIND_KEY_UP : COREWEBVIEW2_KEY_EVENT_KIND_KEY_DOWN);
  // LPARAM: repeat count 1, scan code, context (Alt), previous state and
  // transition bits.
  uint32_t lParam = 1u | ((event->nativeScanCode() & 0xFFu) << 16);
  if (alt) lParam |= 1u << 29;
  if (release) lParam |= (1u << 30) | (1u << 31);
  else if (event->isAutoRepeat()) lParam |= 1u << 30;
  AcceleratorKeyArgs args(kind, key, INT(lParam));
  Raise(*this, AcceleratorKeyPressed, senderController_, static_cast<ICoreWebView2AcceleratorKeyPressedEventArgs*>(&args));
  return args.Handled();
}

void ViewHost::ApplyContextMenuPolicy() {
  if (view_) view_->setContextMenuPolicy(ContextMenusEnabled ? Qt::DefaultContextMenu : Qt::NoContextMenu);
}

void ViewHost::OnContextMenu(QContextMenuEvent* event, const std::function<void()>& showDefault) {
  if (closed_ || !ContextMenusEnabled) return;
  ContextMenuArgs args(event->pos());
  Raise(*this, ContextMenuRequested, senderView_, static_cast<ICoreWebView2ContextMenuRequestedEventArgs*>(&args));
  if (!closed_ && !args.Handled()) showDefault();
}

HRESULT ViewHost::OpenDevTools() {
  if (closed_) return kClosed;
  if (!DevToolsEnabled) return S_OK;
  if (!devToolsView_) {
    auto* tools = new QWebEngineView();
    tools->setAttribute(Qt::WA_DeleteOnClose);
    auto* toolsPage = new QWebEnginePage(profile_->Engine(), tools);
    tools->setPage(toolsPage);
    page_->setDevToolsPage(toolsPage);
    tools->setWindowTitle(QStringLiteral("Developer Tools"));
    tools->resize(900, 600);
    devToolsView_ = tools;
  }
  devToolsView_->show();
  devToolsView_->raise();
  return S_OK;
}

// --- interface objects ------------------------------------------------------------------------

namespace {

class CoreWebView2Settings : public ICoreWebView2Settings2 {
 public:
  explicit CoreWebView2Settings(ViewHost* host) : host_(host) {}

  HRESULT get_IsScriptEnabled(BOOL* value) override {
    return Read(value, [](ViewHost& h) { return h.Page()->settings()->testAttribute(QWebEngineSettings::JavascriptEnabled); });
  }
  HRESULT put_IsScriptEnabled(BOOL value) override {
    return Write([value](ViewHost& h) { h.Page()->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, value != FALSE); });
  }
  HRESULT get_IsWebMessageEnabled(BOOL* value) override {
    return Read(value, [](ViewHost& h) { return h.WebMessageEnabled; });
  }
  HRESULT put_IsWebMessageEnabled(BOOL value) override {
    return Write([value](ViewHost& h) { h.WebMessageEnabled = value != FALSE; });
  }
  HRESULT get_AreDevToolsEnabled(BOOL* value) override {
    return Read(value, [](ViewHost& h) { return h.DevToolsEnabled; });
  }
  HRESULT put_AreDevToolsEnabled(BOOL value) override {
    return Write([value](ViewHost& h) { h.DevToolsEnabled = value != FALSE; });
  }
  HRESULT get_AreDefaultContextMenusEnabled(BOOL* value) override {
    return Read(value, [](ViewHost& h) { return h.ContextMenusEnabled; });
  }
  HRESULT put_AreDefaultContextMenusEnabled(BOOL value) override {
    return Write([value](ViewHost& h) {
      h.ContextMenusEnabled = value != FALSE;
      h.ApplyContextMenuPolicy();
    });
  }
  HRESULT get_AreHostObjectsAllowed(BOOL* value) override {
    return Read(value, [](ViewHost& h) { return h.HostObjectsAllowed; });
  }
  HRESULT put_AreHostObjectsAllowed(BOOL value) override {
    return Write([value](ViewHost& h) { h.HostObjectsAllowed = value != FALSE; });
  }
  HRESULT get_IsBuiltInErrorPageEnabled(BOOL* value) override {
    return Read(value, [](ViewHost& h) { return h.Page()->settings()->testAttribute(QWebEngineSettings::ErrorPageEnabled); });
  }
  HRESULT put_IsBuiltInErrorPageEnabled(BOOL value) override {
    return Write([value](ViewHost& h) { h.Page()->settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, value != FALSE); });
  }
  HRESULT get_UserAgent(QString* value) override {
    if (!value) return E_POINTER;
    if (!Live()) return kClosed;
    *value = host_->EngineProfile().Engine()->httpUserAgent();
    return S_OK;
  }
  HRESULT put_UserAgent(const QString& value) override {
    if (!Live()) return kClosed;
    LogNotCovered(lcWebView(), QStringLiteral("put_UserAgent: one view alone (the agent is the profile's: every view "
                                              "over the same user-data folder takes it)"));
    host_->EngineProfile().Engine()->setHttpUserAgent(value);
    return S_OK;
  }

 private:
  bool Live() const { return host_ && !host_->Closed(); }
  template <typename Fn>
  HRESULT Read(BOOL* value, Fn fn) {
    if (!value) return E_POINTER;
    if (!Live()) return kClosed;
    *value = fn(*host_) ? TRUE : FALSE;
    return S_OK;
  }
  template <typename Fn>
  HRESULT Write(Fn fn) {
    if (!Live()) return kClosed;
    fn(*host_);
    return S_OK;
  }

  QPointer<ViewHost> host_;
};

class CoreWebView2 : public ICoreWebView2 {
 public:
  explicit CoreWebView2(ViewHost* host) : host_(host), settings_(std::make_shared<CoreWebView2Settings>(host)) {}

  HRESULT get_Settings(std::shared_ptr<ICoreWebView2Settings>* settings) override {
    if (!settings) return E_POINTER;
    if (!Live()) return kClosed;
    *settings = settings_;
    return S_OK;
  }
  HRESULT get_Source(QString* uri) override {
    if (!uri) return E_POINTER;
    if (!Live()) return kClosed;
    *uri = host_->Source();
    return S_OK;
  }
  HRESULT get_DocumentTitle(QString* title) override {
    if (!title) return E_POINTER;
    if (!Live()) return kClosed;
    *title = host_->Page()->title();
    return S_OK;
  }
  HRESULT Navigate(const QString& uri) override { return Live() ? host_->Navigate(uri) : kClosed; }
  HRESULT NavigateToString(const QString& html) override { return Live() ? host_->NavigateToString(html) : kClosed; }
  HRESULT Reload() override { return Action(QWebEnginePage::Reload); }
  HRESULT Stop() override { return Action(QWebEnginePage::Stop); }
  HRESULT get_CanGoBack(BOOL* value) override {
    if (!value) return E_POINTER;
    if (!Live()) return kClosed;
    *value = host_->Page()->history()->canGoBack();
    return S_OK;
  }
  HRESULT get_CanGoForward(BOOL* value) override {
    if (!value) return E_POINTER;
    if (!Live()) return kClosed;
    *value = host_->Page()->history()->canGoForward();
    return S_OK;
  }
  HRESULT GoBack() override { return Action(QWebEnginePage::Back); }
  HRESULT GoForward() override { return Action(QWebEnginePage::Forward); }
  HRESULT ExecuteScript(const QString& javaScript, ICoreWebView2ExecuteScriptCompletedHandler handler) override {
    return Live() ? host_->ExecuteScript(javaScript, std::move(handler)) : kClosed;
  }
  HRESULT CapturePreview(COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT imageFormat, QIODevice* imageStream,
                         ICoreWebView2CapturePreviewCompletedHandler handler) override {
    return Live() ? host_->CapturePreview(imageFormat, imageStream, std::move(handler)) : kClosed;
  }
  HRESULT AddHostObjectToScript(const QString& name, std::shared_ptr<IDispatch> object) override {
    return Live() ? host_->AddHostObject(name, std::move(object)) : kClosed;
  }
  HRESULT RemoveHostObjectFromScript(const QString& name) override {
    return Live() ? host_->RemoveHostObject(name) : kClosed;
  }
  HRESULT OpenDevToolsWindow() override { return Live() ? host_->OpenDevTools() : kClosed; }

  HRESULT add_NavigationStarting(ICoreWebView2NavigationStartingEventHandler handler, EventRegistrationToken* token) override {
    return Live() ? host_->Add(host_->NavigationStarting, std::move(handler), token) : kClosed;
  }
  HRESULT remove_NavigationStarting(EventRegistrationToken token) override {
    return Live() ? host_->Remove(host_->NavigationStarting, token) : kClosed;
  }
  HRESULT add_SourceChanged(ICoreWebView2SourceChangedEventHandler handler, EventRegistrationToken* token) override {
    return Live() ? host_->Add(host_->SourceChanged, std::move(handler), token) : kClosed;
  }
  HRESULT remove_SourceChanged(EventRegistrationToken token) override {
    return Live() ? host_->Remove(host_->SourceChanged, token) : kClosed;
  }
  HRESULT add_NavigationCompleted(ICoreWebView2NavigationCompletedEventHandler handler, EventRegistrationToken* token) override {
    return Live() ? host_->Add(host_->NavigationCompleted, std::move(handler), token) : kClosed;
  }
  HRESULT remove_NavigationCompleted(EventRegistrationToken token) override {
    return Live() ? host_->Remove(host_->NavigationCompleted, token) : kClosed;
  }
  HRESULT add_DocumentTitleChanged(ICoreWebView2DocumentTitleChangedEventHandler handler, EventRegistrationToken* token) override {
    return Live() ? host_->Add(host_->DocumentTitleChanged, std::move(handler), token) : kClosed;
  }
  HRESULT remove_DocumentTitleChanged(EventRegistrationToken token) override {
    return Live() ? host_->Remove(host_->DocumentTitleChanged, token) : kClosed;
  }
  HRESULT add_WebMessageReceived(ICoreWebView2WebMessageReceivedEventHandler handler, EventRegistrationToken* token) override {
    return Live() ? host_->Add(host_->WebMessageReceived, std::move(handler), token) : kClosed;
  }
  HRESULT remove_WebMessageReceived(EventRegistrationToken token) override {
    return Live() ? host_->Remove(host_->WebMessageReceived, token) : kClosed;
  }
  HRESULT add_NewWindowRequested(ICoreWebView2NewWindowRequestedEventHandler handler, EventRegistrationToken* token) override {
    return Live() ? host_->Add(host_->NewWindowRequested, std::move(handler), token) : kClosed;
  }
  HRESULT remove_NewWindowRequested(EventRegistrationToken token) override {
    return Live() ? host_->Remove(host_->NewWindowRequested, token) : kClosed;
  }
  HRESULT add_ContextMenuRequested(ICoreWebView2ContextMenuRequestedEventHandler handler, EventRegistrationToken* token) override {
    return Live() ? host_->Add(host_->ContextMenuRequested, std::move(handler), token) : kClosed;
  }
  HRESULT remove_ContextMenuRequested(EventRegistrationToken token) override {
    return Live() ? host_->Remove(host_->ContextMenuRequested, token) : kClosed;
  }

 private:
  bool Live() const { return host_ && !host_->Closed(); }
  HRESULT Action(QWebEnginePage::WebAction action) {
    if (!Live()) return kClosed;
    host_->Page()->triggerAction(action);
    return S_OK;
  }

  QPointer<ViewHost> host_;
  std::shared_ptr<CoreWebView2Settings> settings_;
};

class CoreWebView2Controller : public ICoreWebView2Controller {
 public:
  CoreWebView2Controller(std::shared_ptr<Profile> profile, QWidget* parent)
      : host_(new ViewHost(std::move(profile), parent)), webView_(std::make_shared<CoreWebView2>(host_)) {
    host_->SetSenders(webView_.get(), this);
  }
  ~CoreWebView2Controller() override { Close(); }

  ViewHost* Host() const { return host_; }

  HRESULT get_IsVisible(BOOL* value) override {
    if (!value) return E_POINTER;
    if (!Live()) return kClosed;
    *value = visible_;
    return S_OK;
  }
  HRESULT put_IsVisible(BOOL value) override {
    if (!Live()) return kClosed;
    visible_ = value != FALSE;
    UpdateVisible();
    return S_OK;
  }
  HRESULT get_Bounds(QRect* bounds) override {
    if (!bounds) return E_POINTER;
    if (!Live()) return kClosed;
    *bounds = host_->View()->geometry();
    return S_OK;
  }
  HRESULT put_Bounds(const QRect& bounds) override {
    if (!Live()) return kClosed;
    host_->View()->setGeometry(bounds.normalized());
    return S_OK;
  }
  HRESULT get_ParentWindow(QWidget** parent) override {
    if (!parent) return E_POINTER;
    if (!Live()) return kClosed;
    *parent = host_->View()->parentWidget();
    return S_OK;
  }
  HRESULT put_ParentWindow(QWidget* parent) override {
    if (!Live()) return kClosed;
    const QRect bounds = host_->View()->geometry();
    host_->View()->setParent(parent);
    host_->View()->setGeometry(bounds);
    UpdateVisible();
    return S_OK;
  }
  HRESULT MoveFocus(COREWEBVIEW2_MOVE_FOCUS_REASON reason) override {
    if (!Live()) return kClosed;
    const Qt::FocusReason qtReason = reason == COREWEBVIEW2_MOVE_FOCUS_REASON_NEXT       ? Qt::TabFocusReason
                                     : reason == COREWEBVIEW2_MOVE_FOCUS_REASON_PREVIOUS ? Qt::BacktabFocusReason
                                                                                         : Qt::OtherFocusReason;
    host_->View()->setFocus(qtReason);
    return S_OK;
  }
  HRESULT Close() override {
    if (host_) host_->Close();
    return S_OK;
  }
  HRESULT get_CoreWebView2(std::shared_ptr<ICoreWebView2>* coreWebView2) override {
    if (!coreWebView2) return E_POINTER;
    if (!Live()) return kClosed;
    *coreWebView2 = webView_;
    return S_OK;
  }
  HRESULT add_AcceleratorKeyPressed(ICoreWebView2AcceleratorKeyPressedEventHandler handler, EventRegistrationToken* token) override {
    return Live() ? host_->Add(host_->AcceleratorKeyPressed, std::move(handler), token) : kClosed;
  }
  HRESULT remove_AcceleratorKeyPressed(EventRegistrationToken token) override {
    return Live() ? host_->Remove(host_->AcceleratorKeyPressed, token) : kClosed;
  }
  HRESULT add_GotFocus(ICoreWebView2FocusChangedEventHandler handler, EventRegistrationToken* token) override {
    return Live() ? host_->Add(host_->GotFocus, std::move(handler), token) : kClosed;
  }
  HRESULT remove_GotFocus(EventRegistrationToken token) override {
    return Live() ? host_->Remove(host_->GotFocus, token) : kClosed;
  }
  HRESULT add_LostFocus(ICoreWebView2FocusChangedEventHandler handler, EventRegistrationToken* token) override {
    return Live() ? host_->Add(host_->LostFocus, std::move(handler), token) : kClosed;
  }
  HRESULT remove_LostFocus(EventRegistrationToken token) override {
    return Live() ? host_->Remove(host_->LostFocus, token) : kClosed;
  }

 private:
  bool Live() const { return host_ && !host_->Closed(); }
  void UpdateVisible() {
    // A view without a parent would be a window of its own: it stays hidden.
    host_->View()->setVisible(visible_ && host_->View()->parentWidget());
  }

  QPointer<ViewHost> host_;
  std::shared_ptr<CoreWebView2> webView_;
  bool visible_ = true;
};

}  // namespace

void CreateController(std::shared_ptr<Profile> profile, QWidget* parent,
                      ICoreWebView2CreateCoreWebView2ControllerCompletedHandler handler) {
  auto controller = std::make_shared<CoreWebView2Controller>(std::move(profile), parent);
  controller->Host()->View()->setVisible(true);
  // The completion holds the controller until it has run; a failed start
  // closes the view and hands over no controller.
  controller->Host()->Start([controller, handler = std::move(handler)](HRESULT result) mutable {
    if (FAILED(result)) {
      controller->Close();
      CallHandler(handler, result, std::shared_ptr<ICoreWebView2Controller>());
      return;
    }
    CallHandler(handler, S_OK, std::shared_ptr<ICoreWebView2Controller>(std::move(controller)));
  });
}

}  // namespace webview2
