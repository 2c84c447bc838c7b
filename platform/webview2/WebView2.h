#pragma once
// The browser engine interfaces the browser control hosts itself on, shaped
// like Microsoft's WebView2 COM interfaces (environment, controller, web
// view, settings, event handlers and their argument objects) and carried out
// by QtWebEngine.
//
// The call shapes are kept: every operation answers an HRESULT, properties are
// get_/put_ pairs writing through out-pointers, events are add_/remove_ pairs
// with an EventRegistrationToken, completions are handlers called once. The
// types are C++ ones: strings are QString, handlers are std::function, objects
// are held through std::shared_ptr (the last reference to a controller closes
// its view, as releasing the COM object does), the parent window is the
// QWidget that a window handle stands for, bounds are a QRect, image streams
// are QIODevice. Versioned interfaces (ICoreWebView2Settings2) are reached with
// dynamic_pointer_cast, as QueryInterface would.
//
// Threading: everything runs on the thread of the QApplication. Completion
// handlers and most events are delivered through the Qt event loop, never from
// inside the call that started them, so a caller waiting for one must pump
// events (QCoreApplication::processEvents) with a time-out; Chromium's own
// browser side runs on that same thread, so a blocking sleep there stalls page
// loading as well.
//
// Shut-down: close the controllers (or destroy their parent windows) before
// the QApplication ends; what is still open then is released with it.
//
// Start-up: PrepareProcess (platform/rtl/ProcessStart.h) with Engine set runs
// before the QApplication is created: it shares OpenGL contexts and, through
// the preparation this layer adds, registers the document scheme
// (RegisterCoreWebView2Schemes, which may also be called directly). Running
// as root needs the engine's sandbox off (EngineSandboxOff, or
// QTWEBENGINE_DISABLE_SANDBOX=1); this layer never turns it off by itself.
//
// Not covered (logged under tf.webview when asked for): a user agent for one
// view alone; put_UserAgent sets the profile's, which every view over the
// same user-data folder shares.

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>

#include "platform/win32/WinTypes.h"

class QIODevice;
class QWidget;

using UINT64 = uint64_t;

// Identifies one registration of an event handler.
struct EventRegistrationToken {
  int64_t value = 0;
};

enum COREWEBVIEW2_WEB_ERROR_STATUS {
  COREWEBVIEW2_WEB_ERROR_STATUS_UNKNOWN = 0,
  COREWEBVIEW2_WEB_ERROR_STATUS_CERTIFICATE_COMMON_NAME_IS_INCORRECT = 1,
  COREWEBVIEW2_WEB_ERROR_STATUS_CERTIFICATE_EXPIRED = 2,
  COREWEBVIEW2_WEB_ERROR_STATUS_CLIENT_CERTIFICATE_CONTAINS_ERRORS = 3,
  COREWEBVIEW2_WEB_ERROR_STATUS_CERTIFICATE_REVOKED = 4,
  COREWEBVIEW2_WEB_ERROR_STATUS_CERTIFICATE_IS_INVALID = 5,
  COREWEBVIEW2_WEB_ERROR_STATUS_SERVER_UNREACHABLE = 6,
  COREWEBVIEW2_WEB_ERROR_STATUS_TIMEOUT = 7,
  COREWEBVIEW2_WEB_ERROR_STATUS_ERROR_HTTP_INVALID_SERVER_RESPONSE = 8,
  COREWEBVIEW2_WEB_ERROR_STATUS_CONNECTION_ABORTED = 9,
  COREWEBVIEW2_WEB_ERROR_STATUS_CONNECTION_RESET = 10,
  COREWEBVIEW2_WEB_ERROR_STATUS_DISCONNECTED = 11,
  COREWEBVIEW2_WEB_ERROR_STATUS_CANNOT_CONNECT = 12,
  COREWEBVIEW2_WEB_ERROR_STATUS_HOST_NAME_NOT_RESOLVED = 13,
  COREWEBVIEW2_WEB_ERROR_STATUS_OPERATION_CANCELED = 14,
  COREWEBVIEW2_WEB_ERROR_STATUS_REDIRECT_FAILED = 15,
  COREWEBVIEW2_WEB_ERROR_STATUS_UNEXPECTED_ERROR = 16,
  COREWEBVIEW2_WEB_ERROR_STATUS_VALID_AUTHENTICATION_CREDENTIALS_REQUIRED = 17,
  COREWEBVIEW2_WEB_ERROR_STATUS_VALID_PROXY_AUTHENTICATION_REQUIRED = 18,
};

enum COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT {
  COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT_PNG = 0,
  COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT_JPEG = 1,
};

enum COREWEBVIEW2_MOVE_FOCUS_REASON {
  COREWEBVIEW2_MOVE_FOCUS_REASON_PROGRAMMATIC = 0,
  COREWEBVIEW2_MOVE_FOCUS_REASON_NEXT = 1,
  COREWEBVIEW2_MOVE_FOCUS_REASON_PREVIOUS = 2,
};

enum COREWEBVIEW2_KEY_EVENT_KIND {
  COREWEBVIEW2_KEY_EVENT_KIND_KEY_DOWN = 0,
  COREWEBVIEW2_KEY_EVENT_KIND_KEY_UP = 1,
  COREWEBVIEW2_KEY_EVENT_KIND_SYSTEM_KEY_DOWN = 2,
  COREWEBVIEW2_KEY_EVENT_KIND_SYSTEM_KEY_UP = 3,
};

// Root of every interface of this layer.
class IUnknown {
 public:
  virtual ~IUnknown() = default;
};

// ---------------------------------------------------------------------------
// Late-bound automation: what host objects published to page scripts
// implement. Names become member identifiers (GetIDsOfNames), members are
// read, written or called by identifier (Invoke). Values are QVariant; a value
// holding a std::shared_ptr<IDispatch> is an object, which page scripts see as
// a further host object.

using DISPID = int32_t;

inline constexpr DISPID DISPID_UNKNOWN = -1;
inline constexpr DISPID DISPID_VALUE = 0;
inline constexpr DISPID DISPID_PROPERTYPUT = -3;

inline constexpr WORD DISPATCH_METHOD = 0x1;
inline constexpr WORD DISPATCH_PROPERTYGET = 0x2;
inline constexpr WORD DISPATCH_PROPERTYPUT = 0x4;
inline constexpr WORD DISPATCH_PROPERTYPUTREF = 0x8;

inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = HRESULT(0x80020003u);
inline constexpr HRESULT DISP_E_PARAMNOTFOUND = HRESULT(0x80020004u);
inline constexpr HRESULT DISP_E_TYPEMISMATCH = HRESULT(0x80020005u);
inline constexpr HRESULT DISP_E_UNKNOWNNAME = HRESULT(0x80020006u);
inline constexpr HRESULT DISP_E_EXCEPTION = HRESULT(0x80020009u);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = HRESULT(0x8002000Eu);

// Arguments of an Invoke. As in COM, rgvarg holds the arguments last to first;
// rgdispidNamedArgs names the first arguments of rgvarg (a property write
// passes one argument named DISPID_PROPERTYPUT).
struct DISPPARAMS {
  QVariantList rgvarg;
  QList<DISPID> rgdispidNamedArgs;
};

// Error details an Invoke answering DISP_E_EXCEPTION fills in.
struct EXCEPINFO {
  WORD wCode = 0;
  QString bstrSource;
  QString bstrDescription;
  HRESULT scode = S_OK;
};

class IDispatch : public IUnknown {
 public:
  // Type information is not offered by default.
  virtual HRESULT GetTypeInfoCount(UINT* pctinfo) {
    if (pctinfo) *pctinfo = 0;
    return E_NOTIMPL;
  }
  // dispIds receives one identifier per name (DISPID_UNKNOWN when unknown).
  virtual HRESULT GetIDsOfNames(const QStringList& names, QList<DISPID>* dispIds) = 0;
  // varResult, excepInfo and argErr may be null.
  virtual HRESULT Invoke(DISPID dispIdMember, WORD flags, DISPPARAMS* params, QVariant* varResult,
                         EXCEPINFO* excepInfo, UINT* argErr) = 0;
};

Q_DECLARE_METATYPE(std::shared_ptr<IDispatch>)

class ICoreWebView2;
class ICoreWebView2Controller;
class ICoreWebView2Environment;

// ---------------------------------------------------------------------------
// Event arguments.

class ICoreWebView2NavigationStartingEventArgs : public IUnknown {
 public:
  virtual HRESULT get_Uri(QString* uri) = 0;
  virtual HRESULT get_IsUserInitiated(BOOL* isUserInitiated) = 0;
  virtual HRESULT get_IsRedirected(BOOL* isRedirected) = 0;
  virtual HRESULT get_Cancel(BOOL* cancel) = 0;
  virtual HRESULT put_Cancel(BOOL cancel) = 0;
  virtual HRESULT get_NavigationId(UINT64* navigationId) = 0;
};

class ICoreWebView2NavigationCompletedEventArgs : public IUnknown {
 public:
  virtual HRESULT get_IsSuccess(BOOL* isSuccess) = 0;
  virtual HRESULT get_WebErrorStatus(COREWEBVIEW2_WEB_ERROR_STATUS* webErrorStatus) = 0;
  virtual HRESULT get_NavigationId(UINT64* navigationId) = 0;
};

class ICoreWebView2SourceChangedEventArgs : public IUnknown {
 public:
  virtual HRESULT get_IsNewDocument(BOOL* isNewDocument) = 0;
};

class ICoreWebView2WebMessageReceivedEventArgs : public IUnknown {
 public:
  // URI of the document that sent the message.
  virtual HRESULT get_Source(QString* source) = 0;
  // The message as JSON text (the page's value through JSON.stringify).
  virtual HRESULT get_WebMessageAsJson(QString* webMessageAsJson) = 0;
  // The message when the page sent a string; E_INVALIDARG otherwise.
  virtual HRESULT TryGetWebMessageAsString(QString* webMessageAsString) = 0;
};

class ICoreWebView2AcceleratorKeyPressedEventArgs : public IUnknown {
 public:
  virtual HRESULT get_KeyEventKind(COREWEBVIEW2_KEY_EVENT_KIND* keyEventKind) = 0;
  // Windows virtual-key code (VK_...).
  virtual HRESULT get_VirtualKey(UINT* virtualKey) = 0;
  // The LPARAM of the matching WM_KEYDOWN/WM_KEYUP: repeat count, scan code,
  // context and transition bits.
  virtual HRESULT get_KeyEventLParam(INT* lParam) = 0;
  // Handled keys do not reach the page.
  virtual HRESULT get_Handled(BOOL* handled) = 0;
  virtual HRESULT put_Handled(BOOL handled) = 0;
};

class ICoreWebView2NewWindowRequestedEventArgs : public IUnknown {
 public:
  virtual HRESULT get_Uri(QString* uri) = 0;
  // A web view to open the new window's content in.
  virtual HRESULT put_NewWindow(ICoreWebView2* newWindow) = 0;
  virtual HRESULT get_NewWindow(ICoreWebView2** newWindow) = 0;
  // Unhandled requests, and handled ones without a NewWindow, open nothing.
  virtual HRESULT put_Handled(BOOL handled) = 0;
  virtual HRESULT get_Handled(BOOL* handled) = 0;
  virtual HRESULT get_IsUserInitiated(BOOL* isUserInitiated) = 0;
};

class ICoreWebView2ContextMenuRequestedEventArgs : public IUnknown {
 public:
  // Where the menu was asked for, in the view's coordinates.
  virtual HRESULT get_Location(QPoint* location) = 0;
  // Handled requests show no default menu.
  virtual HRESULT put_Handled(BOOL handled) = 0;
  virtual HRESULT get_Handled(BOOL* handled) = 0;
};

// ---------------------------------------------------------------------------
// Handlers. Completion handlers are called exactly once for every call that
// answered S_OK; event handlers for every event until removed or closed.

using ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler =
    std::function<HRESULT(HRESULT errorCode, std::shared_ptr<ICoreWebView2Environment> createdEnvironment)>;
using ICoreWebView2CreateCoreWebView2ControllerCompletedHandler =
    std::function<HRESULT(HRESULT errorCode, std::shared_ptr<ICoreWebView2Controller> createdController)>;
// resultObjectAsJson: the script's value as JSON text ("null" for undefined,
// for a failure and for a script whose page went away).
using ICoreWebView2ExecuteScriptCompletedHandler =
    std::function<HRESULT(HRESULT errorCode, const QString& resultObjectAsJson)>;
using ICoreWebView2CapturePreviewCompletedHandler = std::function<HRESULT(HRESULT errorCode)>;

using ICoreWebView2NavigationStartingEventHandler =
    std::function<HRESULT(ICoreWebView2* sender, ICoreWebView2NavigationStartingEventArgs* args)>;
using ICoreWebView2NavigationCompletedEventHandler =
    std::function<HRESULT(ICoreWebView2* sender, ICoreWebView2NavigationCompletedEventArgs* args)>;
using ICoreWebView2SourceChangedEventHandler =
    std::function<HRESULT(ICoreWebView2* sender, ICoreWebView2SourceChangedEventArgs* args)>;
using ICoreWebView2DocumentTitleChangedEventHandler =
    std::function<HRESULT(ICoreWebView2* sender, IUnknown* args)>;
using ICoreWebView2WebMessageReceivedEventHandler =
    std::function<HRESULT(ICoreWebView2* sender, ICoreWebView2WebMessageReceivedEventArgs* args)>;
using ICoreWebView2NewWindowRequestedEventHandler =
    std::function<HRESULT(ICoreWebView2* sender, ICoreWebView2NewWindowRequestedEventArgs* args)>;
using ICoreWebView2ContextMenuRequestedEventHandler =
    std::function<HRESULT(ICoreWebView2* sender, ICoreWebView2ContextMenuRequestedEventArgs* args)>;
using ICoreWebView2AcceleratorKeyPressedEventHandler =
    std::function<HRESULT(ICoreWebView2Controller* sender, ICoreWebView2AcceleratorKeyPressedEventArgs* args)>;
using ICoreWebView2FocusChangedEventHandler =
    std::function<HRESULT(ICoreWebView2Controller* sender, IUnknown* args)>;

// ---------------------------------------------------------------------------
// Settings of one web view. Operations on a closed view answer
// HRESULT_FROM_WIN32(ERROR_INVALID_STATE).

class ICoreWebView2Settings : public IUnknown {
 public:
  virtual HRESULT get_IsScriptEnabled(BOOL* isScriptEnabled) = 0;
  virtual HRESULT put_IsScriptEnabled(BOOL isScriptEnabled) = 0;
  // Whether chrome.webview.postMessage reaches WebMessageReceived.
  virtual HRESULT get_IsWebMessageEnabled(BOOL* isWebMessageEnabled) = 0;
  virtual HRESULT put_IsWebMessageEnabled(BOOL isWebMessageEnabled) = 0;
  virtual HRESULT get_AreDevToolsEnabled(BOOL* areDevToolsEnabled) = 0;
  virtual HRESULT put_AreDevToolsEnabled(BOOL areDevToolsEnabled) = 0;
  // Off: neither the default menu nor ContextMenuRequested.
  virtual HRESULT get_AreDefaultContextMenusEnabled(BOOL* enabled) = 0;
  virtual HRESULT put_AreDefaultContextMenusEnabled(BOOL enabled) = 0;
  // Whether page scripts reach the objects of AddHostObjectToScript.
  virtual HRESULT get_AreHostObjectsAllowed(BOOL* allowed) = 0;
  virtual HRESULT put_AreHostObjectsAllowed(BOOL allowed) = 0;
  virtual HRESULT get_IsBuiltInErrorPageEnabled(BOOL* enabled) = 0;
  virtual HRESULT put_IsBuiltInErrorPageEnabled(BOOL enabled) = 0;
};

class ICoreWebView2Settings2 : public ICoreWebView2Settings {
 public:
  // The engine keeps the user agent per environment (user-data folder): web
  // views sharing a folder share it. An empty text restores the default.
  virtual HRESULT get_UserAgent(QString* userAgent) = 0;
  virtual HRESULT put_UserAgent(const QString& userAgent) = 0;
};

// ---------------------------------------------------------------------------
// The web view: navigation, scripts, host objects, pictures.

class ICoreWebView2 : public IUnknown {
 public:
  virtual HRESULT get_Settings(std::shared_ptr<ICoreWebView2Settings>* settings) = 0;
  // The current document's URI; "about:blank" for documents shown with
  // NavigateToString.
  virtual HRESULT get_Source(QString* uri) = 0;
  virtual HRESULT get_DocumentTitle(QString* title) = 0;

  // uri must be absolute (with a scheme); E_INVALIDARG otherwise.
  virtual HRESULT Navigate(const QString& uri) = 0;
  // Shows htmlContent as a document whose URI reads "about:blank". Any size:
  // documents too large for a data URL are served through a private scheme.
  virtual HRESULT NavigateToString(const QString& htmlContent) = 0;
  virtual HRESULT Reload() = 0;
  virtual HRESULT Stop() = 0;
  virtual HRESULT get_CanGoBack(BOOL* canGoBack) = 0;
  virtual HRESULT get_CanGoForward(BOOL* canGoForward) = 0;
  virtual HRESULT GoBack() = 0;
  virtual HRESULT GoForward() = 0;

  // Runs javaScript in the current document and completes with the
  // JSON text of its value: a string arrives quoted, an object or array as
  // JSON, a DOM node as {}, undefined and a throw as null. Completions arrive
  // through the event loop in the order the scripts were started; a script
  // whose document or view goes away completes with null.
  // The script runs in a script world of its own: it shares the document (the
  // DOM) with the page but not the page's script globals, so a page's
  // Content-Security-Policy does not stop it and the page cannot tamper with
  // the JSON conversion. Globals it declares stay for later scripts of the
  // same document; chrome.webview is there as in the page.
  virtual HRESULT ExecuteScript(const QString& javaScript, ICoreWebView2ExecuteScriptCompletedHandler handler) = 0;

  // Writes a picture of the view in the given format to imageStream (which
  // must stay open until the handler runs), then calls the handler.
  virtual HRESULT CapturePreview(COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT imageFormat, QIODevice* imageStream,
                                 ICoreWebView2CapturePreviewCompletedHandler handler) = 0;

  // Publishes object to the page scripts of this view as
  // chrome.webview.hostObjects.<name> (members read and called through
  // promises) and chrome.webview.hostObjects.sync.<name> (members written at
  // once; reads answer the last value known to the page). Writes and calls
  // reach the host through the event loop, after the page statement that made
  // them.
  virtual HRESULT AddHostObjectToScript(const QString& name, std::shared_ptr<IDispatch> object) = 0;
  virtual HRESULT RemoveHostObjectFromScript(const QString& name) = 0;

  // Opens the developer tools in a window of their own (nothing when
  // AreDevToolsEnabled is off).
  virtual HRESULT OpenDevToolsWindow() = 0;

  // Raised before each main-frame navigation, redirects included; a handler
  // may cancel it. It runs inside the engine's decision: it must not wait for
  // other engine work (no event pumping).
  virtual HRESULT add_NavigationStarting(ICoreWebView2NavigationStartingEventHandler handler,
                                         EventRegistrationToken* token) = 0;
  virtual HRESULT remove_NavigationStarting(EventRegistrationToken token) = 0;
  virtual HRESULT add_SourceChanged(ICoreWebView2SourceChangedEventHandler handler, EventRegistrationToken* token) = 0;
  virtual HRESULT remove_SourceChanged(EventRegistrationToken token) = 0;
  virtual HRESULT add_NavigationCompleted(ICoreWebView2NavigationCompletedEventHandler handler,
                                          EventRegistrationToken* token) = 0;
  virtual HRESULT remove_NavigationCompleted(EventRegistrationToken token) = 0;
  virtual HRESULT add_DocumentTitleChanged(ICoreWebView2DocumentTitleChangedEventHandler handler,
                                           EventRegistrationToken* token) = 0;
  virtual HRESULT remove_DocumentTitleChanged(EventRegistrationToken token) = 0;
  // Page scripts send with chrome.webview.postMessage(value).
  virtual HRESULT add_WebMessageReceived(ICoreWebView2WebMessageReceivedEventHandler handler,
                                         EventRegistrationToken* token) = 0;
  virtual HRESULT remove_WebMessageReceived(EventRegistrationToken token) = 0;
  virtual HRESULT add_NewWindowRequested(ICoreWebView2NewWindowRequestedEventHandler handler,
                                         EventRegistrationToken* token) = 0;
  virtual HRESULT remove_NewWindowRequested(EventRegistrationToken token) = 0;
  virtual HRESULT add_ContextMenuRequested(ICoreWebView2ContextMenuRequestedEventHandler handler,
                                           EventRegistrationToken* token) = 0;
  virtual HRESULT remove_ContextMenuRequested(EventRegistrationToken token) = 0;
};

// ---------------------------------------------------------------------------
// The controller: the view's place in its parent window, visibility, focus,
// keys and life. Releasing the last reference closes the view.

class ICoreWebView2Controller : public IUnknown {
 public:
  virtual HRESULT get_IsVisible(BOOL* isVisible) = 0;
  virtual HRESULT put_IsVisible(BOOL isVisible) = 0;
  virtual HRESULT get_Bounds(QRect* bounds) = 0;
  virtual HRESULT put_Bounds(const QRect& bounds) = 0;
  virtual HRESULT get_ParentWindow(QWidget** parentWindow) = 0;
  // nullptr detaches the view (it is hidden until it has a parent again).
  virtual HRESULT put_ParentWindow(QWidget* parentWindow) = 0;
  virtual HRESULT MoveFocus(COREWEBVIEW2_MOVE_FOCUS_REASON reason) = 0;
  // Destroys the view; pending scripts complete with null. Every later call
  // answers HRESULT_FROM_WIN32(ERROR_INVALID_STATE). Closing twice is S_OK.
  virtual HRESULT Close() = 0;
  virtual HRESULT get_CoreWebView2(std::shared_ptr<ICoreWebView2>* coreWebView2) = 0;

  // Keys pressed or released in the view while Ctrl or Alt is held, or that
  // type no character (function keys, Escape, arrows...).
  virtual HRESULT add_AcceleratorKeyPressed(ICoreWebView2AcceleratorKeyPressedEventHandler handler,
                                            EventRegistrationToken* token) = 0;
  virtual HRESULT remove_AcceleratorKeyPressed(EventRegistrationToken token) = 0;
  virtual HRESULT add_GotFocus(ICoreWebView2FocusChangedEventHandler handler, EventRegistrationToken* token) = 0;
  virtual HRESULT remove_GotFocus(EventRegistrationToken token) = 0;
  virtual HRESULT add_LostFocus(ICoreWebView2FocusChangedEventHandler handler, EventRegistrationToken* token) = 0;
  virtual HRESULT remove_LostFocus(EventRegistrationToken token) = 0;
};

// ---------------------------------------------------------------------------
// The environment: one user-data folder (profile, cache, cookies) and the
// engine behind it.

class ICoreWebView2Environment : public IUnknown {
 public:
  // Makes a view inside parentWindow (which must not be null) and completes
  // once the view is ready for navigation and scripts.
  virtual HRESULT CreateCoreWebView2Controller(QWidget* parentWindow,
                                               ICoreWebView2CreateCoreWebView2ControllerCompletedHandler handler) = 0;
  virtual HRESULT get_BrowserVersionString(QString* versionInfo) = 0;
  virtual HRESULT get_UserDataFolder(QString* value) = 0;
};

class ICoreWebView2EnvironmentOptions : public IUnknown {
 public:
  // Preferred languages of the pages (the Accept-Language of requests);
  // empty keeps the engine's default.
  virtual HRESULT get_Language(QString* value) = 0;
  virtual HRESULT put_Language(const QString& value) = 0;
};

// A plain options object.
class CoreWebView2EnvironmentOptions : public ICoreWebView2EnvironmentOptions {
 public:
  HRESULT get_Language(QString* value) override;
  HRESULT put_Language(const QString& value) override;

 private:
  QString language_;
};

// ---------------------------------------------------------------------------
// Loader entry points.

// Registers the private URL scheme that large NavigateToString documents are
// served through. Must run before the QApplication is created (in main);
// without it NavigateToString refuses documents beyond the data-URL limit.
void RegisterCoreWebView2Schemes();

// Creates an environment for userDataFolder (created with owner-only access
// when missing; empty means a "WebView2" folder in the application's local
// data location). browserExecutableFolder is empty or the engine's runtime
// folder (CoreWebView2RuntimeFolder). The handler runs through the event loop.
// Environments of the same folder share one engine profile. Answers
// HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) when the runtime is missing,
// E_ACCESSDENIED when the folder cannot be made, E_POINTER without a handler,
// HRESULT_FROM_WIN32(ERROR_INVALID_STATE) without a QApplication,
// RPC_E_WRONG_THREAD off its thread.
HRESULT CreateCoreWebView2EnvironmentWithOptions(const QString& browserExecutableFolder,
                                                 const QString& userDataFolder,
                                                 ICoreWebView2EnvironmentOptions* environmentOptions,
                                                 ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler environmentCreatedHandler);
// The same with the default folders and no options.
HRESULT CreateCoreWebView2Environment(ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler environmentCreatedHandler);

// The engine's version (its Chromium version, "102.0.5005.177") when the
// runtime in browserExecutableFolder (empty: the engine's own) is present;
// otherwise an empty text and HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND).
HRESULT GetAvailableCoreWebView2BrowserVersionString(const QString& browserExecutableFolder, QString* versionInfo);

// Receives what a handler of the host throws (handlers run from the event
// loop, which exceptions must not cross). Without one, the exception takes
// the application's route (ApplicationHandleException, SysUtils.h).
void SetCoreWebView2ExceptionHandler(std::function<void(std::exception_ptr)> handler);

// The folder holding the engine's helper process (QtWebEngineProcess).
QString CoreWebView2RuntimeFolder();
// Whether the engine can run: its helper process is there and executable.
bool IsCoreWebView2RuntimeAvailable();
