#pragma once
// The web browser control. TKitCustomWebBrowser owns no engine of its own: at
// creation it asks the platform-service registry for the web browser service,
// lets it make a platform browser (IKitCustomWebBrowser) and forwards every
// browsing operation to it. Without a registered service it is a plain
// painted rectangle whose operations do nothing.
//
// What does not depend on the engine lives here: the URL and option
// properties, the events, the queue that runs asynchronous scripts one after
// the other, the synchronous script call that pumps the event loop until its
// result is back, the bridge script text and the document-ready poller.
//
// Everything runs on the thread of the QApplication. The engine delivers its
// completions and events through the event loop, so every wait of the control
// pumps events, and every wait is bounded.

#include <QString>
#include <QUuid>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "browser/KitCustomControl.h"
#include "platform/rtl/Threads.h"

class IUnknown;
class TKitBitmap;
class TKitCustomWebBrowser;

// ---------------------------------------------------------------------------
// Interfaces and GUIDs

// Root of the browser's interfaces: answers whether the object implements the
// interface of a GUID (the registry's QueryInterface).
class IKitInterface {
 public:
  virtual ~IKitInterface() = default;
  virtual bool Supports(const QUuid& AGUID) const = 0;
};

// The GUID in its standard text form: upper case, with braces.
QString KitGUIDToString(const QUuid& AGUID);

using TKitWebBrowserJavaScriptCompleteEvent = std::function<void(const QString& AValue)>;

// What the control needs of a platform browser, in the interface's order.
class IKitCustomWebBrowser : public IKitInterface {
 public:
  static constexpr QUuid IID{0x8CE780C0, 0xD22F, 0x4063, 0x99, 0x3B, 0xCF, 0xB0, 0xDD, 0x7D, 0x13, 0x51};
  bool Supports(const QUuid& AGUID) const override { return AGUID == IID; }

  virtual void SetUserAgent(const QString& AValue) = 0;
  virtual void SetURL(const QString& AValue) = 0;
  virtual void SetExternalBrowser(bool AValue) = 0;
  virtual void SetEnableContextMenu(bool AValue) = 0;
  virtual void SetEnableShowDebugConsole(bool AValue) = 0;
  virtual void SetEnableAcceleratorKeys(bool AValue) = 0;
  virtual void SetCacheFolderName(const QString& AValue) = 0;
  virtual void SetAutoClearCache(bool AValue) = 0;
  virtual void SetCacheFolder(const QString& AValue) = 0;
  virtual void Navigate(const QString& AURL) = 0;
  virtual void Navigate() = 0;
  virtual void LoadHTML(const QString& AHTML) = 0;
  virtual void LoadFile(const QString& AFile) = 0;
  virtual void GoForward() = 0;
  virtual void GoBack() = 0;
  virtual void Reload() = 0;
  virtual void Close() = 0;
  virtual void StopLoading() = 0;
  // The platform browser takes ownership of ABridgeObject.
  virtual void AddBridge(const QString& ABridgeName, TObject* ABridgeObject) = 0;
  virtual void RemoveBridge(const QString& ABridgeName) = 0;
  virtual void UpdateBounds() = 0;
  virtual void CaptureScreenShot() = 0;
  virtual void UpdateVisible() = 0;
  virtual void UpdateEnabled() = 0;
  virtual void BeforeChangeParent() = 0;
  virtual void Initialize() = 0;
  virtual void DeInitialize() = 0;
  virtual void ClearCache() = 0;
  virtual void ShowDebugConsole() = 0;
  virtual QString GetUserAgent() = 0;
  virtual QString GetURL() = 0;
  virtual bool GetExternalBrowser() = 0;
  virtual bool GetEnableContextMenu() = 0;
  virtual bool GetEnableShowDebugConsole() = 0;
  virtual bool GetEnableAcceleratorKeys() = 0;
  // Runs the script; once it completes, ACompleteEvent gets the JSON result
  // text and then ACallback runs. Without a view neither ever runs.
  virtual void ExecuteJavaScript(const QString& AScript, TKitWebBrowserJavaScriptCompleteEvent ACompleteEvent,
                                 TNotifyEvent ACallback) = 0;
  virtual void* NativeEnvironment() = 0;
  virtual void* NativeBrowser() = 0;
  virtual std::shared_ptr<IUnknown> GetWebBrowserInstance() = 0;
  virtual bool CanGoBack() = 0;
  virtual bool CanGoForward() = 0;
  virtual bool SpareQuery() = 0;
  virtual bool IsQPZBrowser() = 0;
  virtual QString GetCacheFolderName() = 0;
  virtual bool GetAutoClearCache() = 0;
  virtual QString GetCacheFolder() = 0;
};

// The factory of platform browsers, registered under its GUID.
class IKitWebBrowserService : public IKitInterface {
 public:
  static constexpr QUuid IID{0x94C7BF89, 0x2B0A, 0x40DF, 0x8C, 0x24, 0xB3, 0x93, 0xCE, 0xB9, 0x13, 0x89};
  bool Supports(const QUuid& AGUID) const override { return AGUID == IID; }

  virtual std::shared_ptr<IKitCustomWebBrowser> CreateWebBrowser(TKitCustomWebBrowser* AValue) = 0;
  virtual void DeleteCookies() = 0;
  virtual void DestroyWebBrowser(const std::shared_ptr<IKitCustomWebBrowser>& AValue) = 0;
};

// ---------------------------------------------------------------------------
// Platform-service registry

class TKitWebBrowserPlatformServicesService : public TObject {
 public:
  TF_DECLARE_PUBLISHED(TKitWebBrowserPlatformServicesService)
  TF_KIT_JSON_OPERATIONS
  TKitWebBrowserPlatformServicesService(const QString& AGUID, std::shared_ptr<IKitInterface> AInterface)
      : FInterface(std::move(AInterface)), FGUID(AGUID) {}
  const std::shared_ptr<IKitInterface>& Interface() const { return FInterface; }
  const QString& GUID() const { return FGUID; }

 private:
  std::shared_ptr<IKitInterface> FInterface;
  QString FGUID;
};

class TKitWebBrowserPlatformServicesList {
 public:
  bool ContainsKey(const QString& AGUID) const;
  // The first entry's service with exactly that key; empty when none.
  std::shared_ptr<IKitInterface> GetValue(const QString& AGUID) const;
  // Removes the last entry with that key.
  void RemoveByGUID(const QString& AGUID);
  void Add(std::unique_ptr<TKitWebBrowserPlatformServicesService> AItem) { FItems.push_back(std::move(AItem)); }
  int Count() const { return int(FItems.size()); }

 private:
  std::vector<std::unique_ptr<TKitWebBrowserPlatformServicesService>> FItems;
};

// The process-wide map of service GUIDs to services.
class TKitWebBrowserPlatformServices : public TObject {
 public:
  TF_DECLARE_PUBLISHED(TKitWebBrowserPlatformServices)
  TF_KIT_JSON_OPERATIONS
  // The one registry, made on first use; nullptr once it has been shut down.
  static TKitWebBrowserPlatformServices* Current();
  // Frees the registry; from then on Current answers nullptr. Runs at the
  // end of the program; tests may call it.
  static void Shutdown();

  // Appends the service unless the key is taken or the service does not
  // implement the GUID's interface.
  void AddPlatformService(const QUuid& AServiceGUID, std::shared_ptr<IKitInterface> AService);
  void RemovePlatformService(const QUuid& AServiceGUID);
  std::shared_ptr<IKitInterface> GetPlatformService(const QUuid& AServiceGUID) const;
  bool SupportsPlatformService(const QUuid& AServiceGUID, std::shared_ptr<IKitInterface>& AService) const;
  bool SupportsPlatformService(const QUuid& AServiceGUID) const;
  int Count() const { return FServicesList.Count(); }

 private:
  TKitWebBrowserPlatformServicesList FServicesList;
};

// The base of platform services: keeps the platform browsers it made.
class TKitWebBrowserFactoryService : public IKitWebBrowserService {
 public:
  std::shared_ptr<IKitCustomWebBrowser> CreateWebBrowser(TKitCustomWebBrowser* AValue) override;
  void DestroyWebBrowser(const std::shared_ptr<IKitCustomWebBrowser>& AValue) override;
  const std::vector<std::shared_ptr<IKitCustomWebBrowser>>& WebBrowsers() const { return FWebBrowsers; }

 protected:
  virtual std::shared_ptr<IKitCustomWebBrowser> DoCreateWebBrowser(TKitCustomWebBrowser* AValue) = 0;

 private:
  std::vector<std::shared_ptr<IKitCustomWebBrowser>> FWebBrowsers;
};

// ---------------------------------------------------------------------------
// Records and events

struct TKitCustomWebBrowserBeforeNavigateParams {
  QString URL;
  bool Cancel = false;
};

struct TKitCustomWebBrowserNavigateCompleteParams {
  QString URL;
  bool Success = false;
  int32_t ErrorCode = 0;
};

using TKitCustomWebBrowserBeforeNavigate =
    std::function<void(TObject* Sender, TKitCustomWebBrowserBeforeNavigateParams& Params)>;
using TKitCustomWebBrowserNavigateComplete =
    std::function<void(TObject* Sender, TKitCustomWebBrowserNavigateCompleteParams& Params)>;
// The picture belongs to the caller and is freed after the event.
using TKitCustomWebBrowserCaptureScreenShot = std::function<void(TObject* Sender, TKitBitmap* AScreenShot)>;

// One queued asynchronous script.
class TKitScript : public TObject {
 public:
  TF_DECLARE_PUBLISHED(TKitScript)
  TF_KIT_JSON_OPERATIONS
  TKitScript(const QString& AScript, TKitWebBrowserJavaScriptCompleteEvent ACompleteEvent)
      : FScript(AScript), FCompleteEvent(std::move(ACompleteEvent)) {}
  const QString& Script() const { return FScript; }
  const TKitWebBrowserJavaScriptCompleteEvent& CompleteEvent() const { return FCompleteEvent; }

 private:
  QString FScript;
  TKitWebBrowserJavaScriptCompleteEvent FCompleteEvent;
};

// Owning list of scripts; item 0 is the one in flight.
using TKitScriptList = std::vector<std::unique_ptr<TKitScript>>;

// Hands a "document.readyState" query to the user-interface thread every
// 100 ms until the page has reported "complete", then fires the control's
// DocumentComplete and ends.
class TKitWebBrowserDocumentReadyStateThread : public TThread {
 public:
  explicit TKitWebBrowserDocumentReadyStateThread(TKitCustomWebBrowser* AWebBrowser);
  ~TKitWebBrowserDocumentReadyStateThread() override;

 protected:
  void Execute() override;

 private:
  TKitCustomWebBrowser* FWebBrowser;
};

// One round of a synchronous wait: handle every pending event and message,
// then wait about a millisecond (waking early for new events).
using TKitWebBrowserPump = std::function<void()>;
void KitWebBrowserPumpOneRound();

// ---------------------------------------------------------------------------
// The control

class TKitCustomWebBrowser : public TKitCustomControl {
 public:
  // Create it with Create<T>(AOwner) (or CreateUnique<T>): the engine is made
  // in AfterConstruction, where the descendant's CanCreateBrowser and
  // BrowserCreated are reached.
  explicit TKitCustomWebBrowser(TComponent* AOwner);
  ~TKitCustomWebBrowser() override;
  // Makes the engine (when CanCreateBrowser and a service is registered),
  // then runs BrowserCreated; once.
  void AfterConstruction() override;

  // Rounds of the synchronous script wait and of the engine start-up wait.
  static constexpr int SyncWaitRounds = 60001;

  QString GetVersion() override;

  // --- properties
  QString URL();
  void SetURL(const QString& AValue);
  QString UserAgent();
  void SetUserAgent(const QString& AValue);
  QString CacheFolder();
  void SetCacheFolder(const QString& AValue);
  QString CacheFolderName();
  void SetCacheFolderName(const QString& AValue);
  bool AutoClearCache();
  void SetAutoClearCache(bool AValue);
  bool EnableContextMenu();
  void SetEnableContextMenu(bool AValue);
  bool EnableShowDebugConsole();
  void SetEnableShowDebugConsole(bool AValue);
  bool EnableAcceleratorKeys();
  void SetEnableAcceleratorKeys(bool AValue);
  bool ExternalBrowser() const { return FExternalBrowser; }
  void SetExternalBrowser(bool AValue) { FExternalBrowser = AValue; }
  bool CanDestroyDispatch() const { return FCanDestroyDispatch; }
  void SetCanDestroyDispatch(bool AValue) { FCanDestroyDispatch = AValue; }
  bool IsInitialized() const { return FInitialized; }
  bool IsReady() const { return FReady.load(); }
  void SetEnabled(bool Value) override;
  void SetVisible(bool Value) override;
  void SetParent(TWinControl* AParent) override;
  void Loaded() override;

  // The pump one round of the synchronous waits runs (tests count rounds).
  const TKitWebBrowserPump& SyncPump() const { return FSyncPump; }
  void SetSyncPump(TKitWebBrowserPump AValue);

  // --- operations
  virtual bool CanShowBrowser() { return true; }
  virtual bool HasClientIdentifier() { return false; }
  virtual void DeleteCookies();
  virtual void StartDocumentReadyStateThread();
  virtual void Navigate();
  virtual void Navigate(const QString& AURL);
  virtual void ExecuteJavaScript(const QString& AScript,
                                 TKitWebBrowserJavaScriptCompleteEvent ACompleteEvent = nullptr,
                                 bool AImmediate = false);
  virtual QString ExecuteJavaScriptSync(const QString& AScript);
  virtual void LoadHTML(const QString& AHTML);
  virtual void LoadFile(const QString& AFile);
  virtual void Initialize();
  virtual void DeInitialize();
  virtual void GoForward();
  virtual void GoBack();
  virtual void Reload();
  virtual void StopLoading();
  virtual void AddBridge(const QString& ABridgeName, TObject* ABridgeObject);
  virtual void RemoveBridge(const QString& ABridgeName);
  virtual void CaptureScreenShot();
  virtual void ShowDebugConsole();
  virtual QString GetBridgeCommunicationLayer(const QString& ABridgeName);
  virtual void* NativeEnvironment();
  virtual void* NativeBrowser();
  virtual bool IsQPZBrowser();
  virtual bool CanGoBack();
  virtual bool CanGoForward();
  virtual std::shared_ptr<IUnknown> GetWebBrowserInstance();
  virtual void ClearCache();
  virtual bool RecreateOnCreateWnd() { return true; }
  virtual bool LoadBlankPageOnInit() { return true; }

  // --- called back by the platform browser
  virtual void DocumentComplete();
  virtual void HardwareButtonClicked();
  virtual void CloseForm();
  virtual void ScreenShotCaptured(TKitBitmap* AScreenShot);
  virtual void BeforeNavigate(TKitCustomWebBrowserBeforeNavigateParams& Params);
  virtual void NavigateComplete(TKitCustomWebBrowserNavigateCompleteParams& Params);
  virtual void Initialized();
  // Setting AKey to 0 swallows the key.
  virtual void AcceleratorKeyPressed(Word& AKey) {}

  // The platform browser, or null.
  const std::shared_ptr<IKitCustomWebBrowser>& WebBrowser() const { return FWebBrowser; }
  // True until the control's destruction starts; platform browsers keep it
  // to know whether they may still call the control back.
  std::weak_ptr<bool> LifeToken() const { return FAlive; }

  TKitCustomWebBrowserNavigateComplete OnNavigateComplete;
  TKitCustomWebBrowserBeforeNavigate OnBeforeNavigate;
  TNotifyEvent OnHardwareButtonClicked;
  TNotifyEvent OnInitialized;
  TNotifyEvent OnCloseForm;
  TNotifyEvent OnDocumentComplete;
  TKitCustomWebBrowserCaptureScreenShot OnCaptureScreenShot;

 protected:
  // While designed: the selectable area's caption, or the message that the
  // engine is missing. At run time nothing (the native view covers it).
  void Draw(TKitGraphics* AGraphics, const TRectF& ARect) override;
  // Asked once, by AfterConstruction.
  virtual bool CanCreateBrowser() { return true; }
  // Run by AfterConstruction once the engine is made (or could not be).
  virtual void BrowserCreated() {}
  void CreateWnd() override;
  void UpdateControlAfterResize() override;
  void UpdateDPIScale(int M, int D) override;

  // The poller's steps on the user-interface thread.
  void CheckApplicationInitialized();
  void DoCheckReadyState(const QString& AValue);
  void StopDocumentReadyStateThread();
  void ExecuteNextScript(TObject* Sender);
  // Drops every queued script (their completions never run).
  void ClearScriptQueue();
  int ScriptQueueCount() const { return int(FScriptList.size()); }

  bool FCanDestroyDispatch = true;
  bool FBrowserConstructed = false;  // AfterConstruction ran
  bool FCanCreateBrowser = true;     // CanCreateBrowser's answer
  QString FSyncValue;
  bool FSyncValueExecuted = false;
  std::atomic<bool> FThreadDone{false};
  std::atomic<bool> FReady{false};
  bool FInitialized = false;
  TKitScriptList FScriptList;
  std::unique_ptr<TKitWebBrowserDocumentReadyStateThread> FDocumentReadyStateThread;
  std::shared_ptr<IKitCustomWebBrowser> FWebBrowser;
  QString FURL;
  bool FExternalBrowser = false;
  bool FEnableShowDebugConsole = true;
  bool FEnableAcceleratorKeys = true;
  bool FEnableContextMenu = true;

 private:
  friend class TKitWebBrowserDocumentReadyStateThread;
  // One synchronous call's result.
  struct TSyncSlot {
    QString Value;
    bool Executed = false;
  };
  // Cleared when the control dies: waits that pumped events look at it
  // before touching the control again.
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
  TKitWebBrowserPump FSyncPump = KitWebBrowserPumpOneRound;
  bool FReadyStatePending = false;  // a poller query is queued and unanswered
  int FQueueGeneration = 0;         // bumped when the queue is emptied
  bool FChangingParent = false;
};

class TKitWebBrowser : public TKitCustomWebBrowser {
 public:
  TF_DECLARE_PUBLISHED(TKitWebBrowser)
  using TKitCustomWebBrowser::TKitCustomWebBrowser;
  QString Version() { return GetVersion(); }
  // Published for the property list only: the version cannot be set.
  void SetVersion(const QString&) {}
};
