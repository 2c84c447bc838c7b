#pragma once
// The platform browser behind TKitCustomWebBrowser: TKitWinWebBrowser drives
// the WebView2-shaped engine of platform/webview2 (environment, controller,
// view), turns its events into the control's navigation events, publishes
// the host object "bridge" to page scripts and carries out navigation, HTML
// loading, scripts, screenshots and the cache folder's life.
//
// Also here: TKitObjectDispatch (late-bound access from page scripts to the
// published properties and owned components of any object), the process
// state of the engine loader and the cache folders, and the service that the
// unit registers with the platform-service registry at start-up.
//
// Every engine callback runs on the user-interface thread through the event
// loop; what an application handler raises inside one goes to
// Application->HandleException.

#include <QBuffer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "browser/KitWebBrowser.h"
#include "platform/rtl/Classes.h"
#include "platform/webview2/WebView2.h"

class TKitWinWebBrowser;
class TPropInfo;

// ---------------------------------------------------------------------------
// Host-object dispatch

enum TDispatchKind { dkMethod, dkProperty, dkSubComponent };

struct TDispatchInfo {
  TObject* Instance = nullptr;
  TDispatchKind Kind = dkProperty;
  const TMethodInfo* MethodInfo = nullptr;
  const TPropInfo* PropInfo = nullptr;
  int32_t Index = -1;
};
using TDispatchInfos = std::vector<TDispatchInfo>;

// Page scripts' view of an object: its published properties, and for a
// component its owned components by name. Member identifiers start at 100
// and stay stable for the life of the dispatch object.
//
// The objects reached through a root dispatch (class-typed properties, child
// components) get dispatch objects of their own that the engine keeps; they
// share the root's liveness, so once the root has freed its object they
// answer DISP_E_MEMBERNOTFOUND instead of touching freed memory.
class TKitObjectDispatch : public TObject, public IDispatch {
 public:
  TKitObjectDispatch(TObject* AInstance, bool Owned);
  ~TKitObjectDispatch() override;

  TObject* Instance() const { return FInstance; }
  bool Owned() const { return FOwned; }
  // Frees an owned object now; from then on this dispatch and every one made
  // through it answer DISP_E_MEMBERNOTFOUND.
  void FreeInstance();
  // Leaves the object to its owner: it is no longer freed with the dispatch.
  void Disown() { FOwned = false; }
  bool Alive() const { return *FAlive; }

  HRESULT GetIDsOfNames(const QStringList& Names, QList<DISPID>* DispIDs) override;
  HRESULT Invoke(DISPID DispID, WORD Flags, DISPPARAMS* Params, QVariant* VarResult, EXCEPINFO* ExcepInfo,
                 UINT* ArgErr) override;

 protected:
  // A dispatch over AInstance, not owning it, sharing this one's liveness.
  virtual std::shared_ptr<TKitObjectDispatch> GetObjectDispatch(TObject* AInstance);
  // No method is exposed.
  virtual const TMethodInfo* GetMethodInfo(const QString& AName) { return nullptr; }
  virtual const TPropInfo* GetPropInfo(const QString& AName, TObject*& AInstance, int32_t& AIndex);

 private:
  TKitObjectDispatch(TObject* AInstance, bool Owned, std::shared_ptr<bool> AAlive);
  int AllocDispID(TDispatchKind AKind, const TPropInfo* APropInfo, int32_t AIndex, TObject* AInstance);

  int32_t FDispatchInfoCount = 0;
  TDispatchInfos FDispatchInfos;
  TObject* FInstance;
  bool FOwned;
  std::shared_ptr<bool> FAlive;
};

// The host object "bridge": a page script writing ObjectMessage reaches the
// control's OnBeforeNavigate with the text as URL. Whatever a page writes is
// untrusted input.
class TCoreWebView2RemoteObject : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TCoreWebView2RemoteObject)
  explicit TCoreWebView2RemoteObject(TKitWinWebBrowser* AWebBrowser = nullptr) : FWebBrowser(AWebBrowser) {}
  const QString& ObjectMessage() const { return FObjectMessage; }
  void SetObjectMessage(const QString& AValue);

 private:
  TKitWinWebBrowser* FWebBrowser;
  QString FObjectMessage;
};

// ---------------------------------------------------------------------------
// Process state of the engine and its folders

class TKitWinWebBrowserCachedFolderItem : public TObject {
 public:
  TF_DECLARE_PUBLISHED(TKitWinWebBrowserCachedFolderItem)
  TF_KIT_JSON_OPERATIONS
  TKitWinWebBrowserCachedFolderItem(const QString& AFolder, TKitWinWebBrowser* AInstance)
      : FFolder(AFolder), FInstance(AInstance) {}
  const QString& Folder() const { return FFolder; }
  TKitWinWebBrowser* Instance() const { return FInstance; }

 private:
  QString FFolder;
  TKitWinWebBrowser* FInstance;
};

namespace KitWebBrowserWin {

using TCreateEnvironmentProc = HRESULT (*)(const QString&, const QString&, ICoreWebView2EnvironmentOptions*,
                                           ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler);
using TCreateDefaultEnvironmentProc = HRESULT (*)(ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler);
using TBrowserVersionProc = HRESULT (*)(const QString&, QString*);

// Settings an application may change before the first browser is made.
extern QString LoaderFolder;
extern QString RuntimeFolder;
extern bool SuppressInitMessages;
// What the start-up probe found.
extern bool LoaderLoaded;
extern QString AvailableBrowserVersion;
extern QString CopiedRuntimeFolder;
extern TCreateEnvironmentProc CreateCoreWebView2EnvironmentProc;
extern TCreateEnvironmentProc CreateCoreWebView2EnvironmentWithOptionsProc;
extern TBrowserVersionProc GetAvailableCoreWebView2BrowserVersionStringProc;

// The cache folders registered by live browsers.
std::vector<std::unique_ptr<TKitWinWebBrowserCachedFolderItem>>& CachedFolders();

// Start-up of the unit: probes the engine, then registers the service with
// the registry (once). Runs before main; a program that names nothing else
// of this unit calls it to link the unit in. Shutdown reverses it.
void Startup();
void Shutdown();

// Seams of the runtime-folder choice (the defaults look at the real system).
extern std::function<QString()> ProgramFilesX86Folder;
// Runs a program without a window and answers what it printed (standard
// output and error); the empty text when it cannot start.
extern std::function<QString(const QString& AProgram, const QStringList& AArguments)> RunHiddenCommand;
// Copies the folder tree, overwriting existing files.
void CopyFolderTree(const QString& ASource, const QString& ATarget);
// The folder handed to the engine as runtime (empty: the installed one).
QString ChooseRuntimeFolder();

// The user's private temporary folder (mode 0700, owned by the user, not a
// link), ending in a slash.
QString PrivateTempPath();
// The executable's name with the first occurrence of its extension removed.
QString CacheExecutableName(const QString& AExeFileName);
// A path with a trailing separator (the empty text stays empty).
QString AddBackslash(const QString& AValue);

// The built-in start page with the version filled in.
QString InitialPageHTML(const QString& AVersion);

inline constexpr const char* kMessageLoaderMissing =
    "Could not initialize Edge Chromium! Please check if WebView2Loader_x86.dll is correctly distributed and "
    "accessible.";
inline constexpr const char* kMessageInitFailed =
    "Could not initialize Edge Chromium! Please check Edge Chromium installation and verify correct version "
    "number.";

}  // namespace KitWebBrowserWin

// ---------------------------------------------------------------------------
// The platform browser

class TKitWinWebBrowser : public TObject, public IKitCustomWebBrowser {
 public:
  explicit TKitWinWebBrowser(TKitCustomWebBrowser* AWebControl);
  ~TKitWinWebBrowser() override;

  void SetUserAgent(const QString& AValue) override;
  void SetURL(const QString& AValue) override { FURL = AValue; }
  void SetExternalBrowser(bool AValue) override { FExternalBrowser = AValue; }
  void SetEnableContextMenu(bool AValue) override;
  void SetEnableShowDebugConsole(bool AValue) override;
  void SetEnableAcceleratorKeys(bool AValue) override { FEnableAcceleratorKeys = AValue; }
  void SetCacheFolderName(const QString& AValue) override;
  void SetAutoClearCache(bool AValue) override { FAutoClearCache = AValue; }
  void SetCacheFolder(const QString& AValue) override;
  void Navigate(const QString& AURL) override;
  void Navigate() override;
  void LoadHTML(const QString& AHTML) override;
  void LoadFile(const QString& AFile) override;
  void GoForward() override;
  void GoBack() override;
  void Reload() override;
  void Close() override;
  void StopLoading() override;
  void AddBridge(const QString& ABridgeName, TObject* ABridgeObject) override;
  void RemoveBridge(const QString& ABridgeName) override;
  void UpdateBounds() override;
  void CaptureScreenShot() override;
  void UpdateVisible() override;
  void UpdateEnabled() override {}
  void BeforeChangeParent() override;
  void Initialize() override;
  void DeInitialize() override;
  void ClearCache() override;
  void ShowDebugConsole() override;
  QString GetUserAgent() override;
  QString GetURL() override { return FURL; }
  bool GetExternalBrowser() override { return FExternalBrowser; }
  bool GetEnableContextMenu() override;
  bool GetEnableShowDebugConsole() override;
  bool GetEnableAcceleratorKeys() override { return FEnableAcceleratorKeys; }
  void ExecuteJavaScript(const QString& AScript, TKitWebBrowserJavaScriptCompleteEvent ACompleteEvent,
                         TNotifyEvent ACallback) override;
  void* NativeEnvironment() override { return FWebBrowserEnvironment.get(); }
  void* NativeBrowser() override { return FWebBrowserController.get(); }
  std::shared_ptr<IUnknown> GetWebBrowserInstance() override { return FWebBrowserController; }
  bool CanGoBack() override;
  bool CanGoForward() override;
  bool SpareQuery() override { return false; }
  bool IsQPZBrowser() override { return false; }
  QString GetCacheFolderName() override { return FCacheFolderName; }
  bool GetAutoClearCache() override { return FAutoClearCache; }
  QString GetCacheFolder() override { return FCacheFolder; }

  // The folder handed to the engine as its user-data folder.
  const QString& FullCacheFolderName() const { return FFullCacheFolderName; }
  bool Error() const { return FError; }
  // The served control while it is alive, else nullptr.
  TKitCustomWebBrowser* WebControl() const;
  // The "bridge" dispatch (null until the view exists).
  TKitObjectDispatch* RemoteObjectDispatch() const { return FRemoteObjectDispatch.get(); }

 private:
  friend class TCoreWebView2RemoteObject;

  void WaitForController();
  void ShowInitialPage();
  void DeleteCacheFolder();
  void RegisterCachedFolder();
  void UnregisterCachedFolder(bool AAll);
  QWidget* ControlWindow(bool ACreate) const;
  std::shared_ptr<ICoreWebView2Settings> Settings() const;
  void ShowInitMessage(const char* AMessage) const;
  void FreeDispatch(std::shared_ptr<TKitObjectDispatch>& ADispatch);

  // Engine callbacks.
  HRESULT EnvironmentCompleted(HRESULT AResult, std::shared_ptr<ICoreWebView2Environment> AEnvironment);
  HRESULT ControllerCompleted(HRESULT AResult, std::shared_ptr<ICoreWebView2Controller> AController);
  void NavigationStarting(ICoreWebView2NavigationStartingEventArgs* AArgs);
  void NavigationCompleted(ICoreWebView2NavigationCompletedEventArgs* AArgs);
  void AcceleratorKeyPressed(ICoreWebView2AcceleratorKeyPressedEventArgs* AArgs);
  void GotFocus();
  void CapturePreviewCompleted();

  std::shared_ptr<QBuffer> FImageStream;
  bool FError = false;
  bool FInitializing = false;
  QString FSaveURL;
  QString FCustomBridge;
  std::shared_ptr<TKitObjectDispatch> FRemoteObjectDispatch;
  std::shared_ptr<ICoreWebView2Environment> FWebBrowserEnvironment;
  std::shared_ptr<ICoreWebView2Controller> FWebBrowserController;
  std::shared_ptr<ICoreWebView2> FWebBrowserWebView2;
  bool FEnableAcceleratorKeys = true;
  bool FExternalBrowser = false;
  QString FURL;
  TKitCustomWebBrowser* FWebControl;
  std::weak_ptr<bool> FWebControlAlive;
  QString FCacheFolderName = QStringLiteral("EdgeCache");
  bool FAutoClearCache = true;
  QString FCacheFolder;
  QString FFullCacheFolderName;
  // Cleared when this object dies: engine callbacks still on their way look
  // at it first.
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
  // Custom bridges by name (each freed when removed or at DeInitialize).
  std::vector<std::pair<QString, std::shared_ptr<TKitObjectDispatch>>> FCustomBridges;
};

class TKitWinWebBrowserService : public TKitWebBrowserFactoryService {
 public:
  void DeleteCookies() override {}

 protected:
  std::shared_ptr<IKitCustomWebBrowser> DoCreateWebBrowser(TKitCustomWebBrowser* AWebControl) override;
};
