#include "browser/KitWebBrowser.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <chrono>
#include <thread>

#include "platform/vcl/Forms.h"


QString KitGUIDToString(const QUuid& AGUID) { return AGUID.toString(QUuid::WithBraces).toUpper(); }

// ---------------------------------------------------------------------------
// Registry

bool TKitWebBrowserPlatformServicesList::ContainsKey(const QString& AGUID) const {
  for (const auto& item : FItems)
    if (item->GUID() == AGUID) return true;
  return false;
}

std::shared_ptr<IKitInterface> TKitWebBrowserPlatformServicesList::GetValue(const QString& AGUID) const {
  for (const auto& item : FItems)
    if (item->GUID() == AGUID) return item->Interface();
  return nullptr;
}

void TKitWebBrowserPlatformServicesList::RemoveByGUID(const QString& AGUID) {
  for (auto it = FItems.rbegin(); it != FItems.rend(); ++it)
    if ((*it)->GUID() == AGUID) {
      FItems.erase(std::next(it).base());
      return;
    }
}

namespace {

struct TRegistrySlot {
  std::unique_ptr<TKitWebBrowserPlatformServices> Registry;
  bool ShutDown = false;
  // The end of the program shuts the registry down.
  ~TRegistrySlot() { TKitWebBrowserPlatformServices::Shutdown(); }
};

TRegistrySlot& RegistrySlot() {
  static TRegistrySlot slot;
  return slot;
}

}  // namespace

TKitWebBrowserPlatformServices* TKitWebBrowserPlatformServices::Current() {
  TRegistrySlot& slot = RegistrySlot();
  if (slot.ShutDown) return nullptr;
  if (!slot.Registry) slot.Registry = std::make_unique<TKitWebBrowserPlatformServices>();
  return slot.Registry.get();
}

void TKitWebBrowserPlatformServices::Shutdown() {
  TRegistrySlot& slot = RegistrySlot();
  slot.ShutDown = true;
  slot.Registry.reset();
}

void TKitWebBrowserPlatformServices::AddPlatformService(const QUuid& AServiceGUID,
                                                        std::shared_ptr<IKitInterface> AService) {
  const QString key = KitGUIDToString(AServiceGUID);
  if (FServicesList.ContainsKey(key) || !AService || !AService->Supports(AServiceGUID)) return;
  FServicesList.Add(std::make_unique<TKitWebBrowserPlatformServicesService>(key, std::move(AService)));
}

void TKitWebBrowserPlatformServices::RemovePlatformService(const QUuid& AServiceGUID) {
  FServicesList.RemoveByGUID(KitGUIDToString(AServiceGUID));
}

std::shared_ptr<IKitInterface> TKitWebBrowserPlatformServices::GetPlatformService(const QUuid& AServiceGUID) const {
  std::shared_ptr<IKitInterface> service = FServicesList.GetValue(KitGUIDToString(AServiceGUID));
  return service && service->Supports(AServiceGUID) ? service : nullptr;
}

bool TKitWebBrowserPlatformServices::SupportsPlatformService(const QUuid& AServiceGUID,
                                                             std::shared_ptr<IKitInterface>& AService) const {
  const QString key = KitGUIDToString(AServiceGUID);
  if (!FServicesList.ContainsKey(key)) {
    AService = nullptr;
    return false;
  }
  std::shared_ptr<IKitInterface> service = FServicesList.GetValue(key);
  AService = service && service->Supports(AServiceGUID) ? service : nullptr;
  return AService != nullptr;
}

bool TKitWebBrowserPlatformServices::SupportsPlatformService(const QUuid& AServiceGUID) const {
  return FServicesList.ContainsKey(KitGUIDToString(AServiceGUID));
}

std::shared_ptr<IKitCustomWebBrowser> TKitWebBrowserFactoryService::CreateWebBrowser(TKitCustomWebBrowser* AValue) {
  std::shared_ptr<IKitCustomWebBrowser> browser = DoCreateWebBrowser(AValue);
  if (browser) FWebBrowsers.push_back(browser);
  return browser;
}

void TKitWebBrowserFactoryService::DestroyWebBrowser(const std::shared_ptr<IKitCustomWebBrowser>& AValue) {
  if (!AValue) return;
  for (auto it = FWebBrowsers.begin(); it != FWebBrowsers.end(); ++it)
    if (*it == AValue) {
      FWebBrowsers.erase(it);
      return;
    }
}

namespace {

std::shared_ptr<IKitWebBrowserService> RegisteredService() {
  TKitWebBrowserPlatformServices* registry = TKitWebBrowserPlatformServices::Current();
  std::shared_ptr<IKitInterface> service;
  if (!registry || !registry->SupportsPlatformService(IKitWebBrowserService::IID, service)) return nullptr;
  return std::dynamic_pointer_cast<IKitWebBrowserService>(service);
}

// Runs a handler of the application; what it throws goes to the
// application's exception handling.
template <typename Fn>
void Guarded(TObject* Sender, Fn&& fn) {
  try {
    fn();
  } catch (...) {
    Application->HandleException(Sender);
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Pumping

void KitWebBrowserPumpOneRound() {
  Application->ProcessMessages();
  // Then wait about a millisecond, waking at once for new events (the
  // engine's answers arrive as events).
  static QPointer<QTimer> wake;
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return;
  }
  if (!wake) {
    wake = new QTimer(app);
    wake->setSingleShot(true);
    wake->setTimerType(Qt::PreciseTimer);
  }
  wake->start(1);
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// ---------------------------------------------------------------------------
// The poller thread

TKitWebBrowserDocumentReadyStateThread::TKitWebBrowserDocumentReadyStateThread(TKitCustomWebBrowser* AWebBrowser)
    : TThread(false), FWebBrowser(AWebBrowser) {}

TKitWebBrowserDocumentReadyStateThread::~TKitWebBrowserDocumentReadyStateThread() {
  Terminate();
  if (!Suspended() && !Finished()) WaitFor();
}

void TKitWebBrowserDocumentReadyStateThread::Execute() {
  while (!Terminated()) {
    TKitCustomWebBrowser* browser = FWebBrowser;
    if (!browser) {
      Terminate();
      break;
    }
    Synchronize([browser] { Guarded(browser, [browser] { browser->CheckApplicationInitialized(); }); });
    for (int i = 0; i < 10 && !Terminated(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (Terminated()) break;
    if (!browser->FReady.load()) continue;
    Synchronize([browser] {
      if (*browser->FAlive) Guarded(browser, [browser] { browser->DocumentComplete(); });
    });
    Terminate();
  }
}

// ---------------------------------------------------------------------------
// TKitCustomWebBrowser

TKitCustomWebBrowser::TKitCustomWebBrowser(TComponent* AOwner) : TKitCustomControl(AOwner) {
  FCanDestroyDispatch = true;
  FExternalBrowser = false;
  FEnableShowDebugConsole = true;
  FEnableAcceleratorKeys = true;
  FEnableContextMenu = true;
  SetBounds(Left(), Top(), 500, 350);
}

void TKitCustomWebBrowser::AfterConstruction() {
  TKitCustomControl::AfterConstruction();
  if (FBrowserConstructed) return;
  FBrowserConstructed = true;
  // The descendant decides whether the control has an engine and hears when
  // it has one: both are virtual, so they run here rather than in the
  // constructor.
  FCanCreateBrowser = CanCreateBrowser();
  if (FCanCreateBrowser)
    if (std::shared_ptr<IKitWebBrowserService> service = RegisteredService())
      FWebBrowser = service->CreateWebBrowser(this);
  BrowserCreated();
  UpdateControlAfterResize();  // the engine takes the control's bounds
}

TKitCustomWebBrowser::~TKitCustomWebBrowser() {
  *FAlive = false;
  StopDocumentReadyStateThread();
  // The registry may already be gone at the very end of the program.
  if (FCanCreateBrowser)
    if (std::shared_ptr<IKitWebBrowserService> service = RegisteredService()) service->DestroyWebBrowser(FWebBrowser);
  if (FWebBrowser) {
    FWebBrowser->DeInitialize();
    FWebBrowser.reset();
  }
  FScriptList.clear();
}

QString TKitCustomWebBrowser::GetVersion() {
  // Major, minor, release and build.
  return QStringLiteral("%1.%2.%3.%4").arg(1).arg(1).arg(4).arg(6);
}

void TKitCustomWebBrowser::SetSyncPump(TKitWebBrowserPump AValue) {
  FSyncPump = AValue ? std::move(AValue) : TKitWebBrowserPump(KitWebBrowserPumpOneRound);
}

// --- properties

QString TKitCustomWebBrowser::URL() { return FWebBrowser ? FWebBrowser->GetURL() : FURL; }

void TKitCustomWebBrowser::SetURL(const QString& AValue) {
  FURL = AValue;
  if (!FWebBrowser) return;
  FWebBrowser->SetURL(AValue);
  if (CanCreateBrowser() && !AValue.isEmpty()) Navigate();
}

QString TKitCustomWebBrowser::UserAgent() { return FWebBrowser ? FWebBrowser->GetUserAgent() : QString(); }
void TKitCustomWebBrowser::SetUserAgent(const QString& AValue) {
  if (FWebBrowser) FWebBrowser->SetUserAgent(AValue);
}
QString TKitCustomWebBrowser::CacheFolder() { return FWebBrowser ? FWebBrowser->GetCacheFolder() : QString(); }
void TKitCustomWebBrowser::SetCacheFolder(const QString& AValue) {
  if (FWebBrowser) FWebBrowser->SetCacheFolder(AValue);
}
QString TKitCustomWebBrowser::CacheFolderName() { return FWebBrowser ? FWebBrowser->GetCacheFolderName() : QString(); }
void TKitCustomWebBrowser::SetCacheFolderName(const QString& AValue) {
  if (FWebBrowser) FWebBrowser->SetCacheFolderName(AValue);
}
bool TKitCustomWebBrowser::AutoClearCache() { return FWebBrowser && FWebBrowser->GetAutoClearCache(); }
void TKitCustomWebBrowser::SetAutoClearCache(bool AValue) {
  if (FWebBrowser) FWebBrowser->SetAutoClearCache(AValue);
}

bool TKitCustomWebBrowser::EnableContextMenu() {
  return FWebBrowser ? FWebBrowser->GetEnableContextMenu() : FEnableContextMenu;
}
void TKitCustomWebBrowser::SetEnableContextMenu(bool AValue) {
  FEnableContextMenu = AValue;
  if (FWebBrowser) FWebBrowser->SetEnableContextMenu(AValue);
}
bool TKitCustomWebBrowser::EnableShowDebugConsole() {
  return FWebBrowser ? FWebBrowser->GetEnableShowDebugConsole() : FEnableShowDebugConsole;
}
void TKitCustomWebBrowser::SetEnableShowDebugConsole(bool AValue) {
  FEnableShowDebugConsole = AValue;
  if (FWebBrowser) FWebBrowser->SetEnableShowDebugConsole(AValue);
}
bool TKitCustomWebBrowser::EnableAcceleratorKeys() {
  return FWebBrowser ? FWebBrowser->GetEnableAcceleratorKeys() : FEnableAcceleratorKeys;
}
void TKitCustomWebBrowser::SetEnableAcceleratorKeys(bool AValue) {
  FEnableAcceleratorKeys = AValue;
  if (FWebBrowser) FWebBrowser->SetEnableAcceleratorKeys(AValue);
}

void TKitCustomWebBrowser::SetEnabled(bool Value) {
  TKitCustomControl::SetEnabled(Value);
  if (FWebBrowser) FWebBrowser->UpdateEnabled();
}

void TKitCustomWebBrowser::SetVisible(bool Value) {
  TKitCustomControl::SetVisible(Value);
  if (FWebBrowser) FWebBrowser->UpdateVisible();
}

// --- window life

void TKitCustomWebBrowser::SetParent(TWinControl* AParent) {
  if (FWebBrowser) FWebBrowser->BeforeChangeParent();
  // The window made by the parent change gets its view below, once.
  FChangingParent = true;
  try {
    TKitCustomControl::SetParent(AParent);
    // The view is made in this control's window. Make the window now, while
    // the parent change is under way; made later from inside the view's own
    // set-up, it would reinitialise the browser under that set-up's feet.
    if (AParent && !HandleAllocated()) HandleNeeded();
  } catch (...) {
    FChangingParent = false;
    throw;
  }
  FChangingParent = false;
  // A control without a parent has no window to show a view in.
  if (AParent) Initialize();
}

void TKitCustomWebBrowser::CreateWnd() {
  if (RecreateOnCreateWnd() && !IsLoading() && !IsDestroying()) {
    DeInitialize();
    TKitCustomControl::CreateWnd();
    if (!FChangingParent) Initialize();
  } else {
    TKitCustomControl::CreateWnd();
  }
}

void TKitCustomWebBrowser::Loaded() {
  TKitCustomControl::Loaded();
  Initialize();
  if (FWebBrowser) FWebBrowser->UpdateBounds();
}

void TKitCustomWebBrowser::UpdateControlAfterResize() {
  if (FWebBrowser) FWebBrowser->UpdateBounds();
}

void TKitCustomWebBrowser::UpdateDPIScale(int M, int D) {
  TKitCustomControl::UpdateDPIScale(M, D);
  if (FWebBrowser) FWebBrowser->UpdateBounds();
}

// --- forwarding

void TKitCustomWebBrowser::DeleteCookies() {
  if (std::shared_ptr<IKitWebBrowserService> service = RegisteredService()) service->DeleteCookies();
}

void TKitCustomWebBrowser::Navigate() {
  FReady = false;
  if (FWebBrowser) FWebBrowser->Navigate();
}

void TKitCustomWebBrowser::Navigate(const QString& AURL) {
  FReady = false;
  if (FWebBrowser) FWebBrowser->Navigate(AURL);
}

void TKitCustomWebBrowser::LoadHTML(const QString& AHTML) {
  if (FWebBrowser) FWebBrowser->LoadHTML(AHTML);
}
void TKitCustomWebBrowser::LoadFile(const QString& AFile) {
  if (FWebBrowser) FWebBrowser->LoadFile(AFile);
}
void TKitCustomWebBrowser::Initialize() {
  if (FWebBrowser) FWebBrowser->Initialize();
}

void TKitCustomWebBrowser::DeInitialize() {
  FInitialized = false;
  // Scripts still queued would wait for answers the released view never
  // gives, holding up every later script.
  ClearScriptQueue();
  if (FWebBrowser) FWebBrowser->DeInitialize();
}

void TKitCustomWebBrowser::GoForward() {
  if (FWebBrowser) FWebBrowser->GoForward();
}
void TKitCustomWebBrowser::GoBack() {
  if (FWebBrowser) FWebBrowser->GoBack();
}
void TKitCustomWebBrowser::Reload() {
  if (FWebBrowser) FWebBrowser->Reload();
}
void TKitCustomWebBrowser::StopLoading() {
  if (FWebBrowser) FWebBrowser->StopLoading();
}

void TKitCustomWebBrowser::AddBridge(const QString& ABridgeName, TObject* ABridgeObject) {
  if (!FWebBrowser) {
    // Nobody would ever free the object handed over.
    delete ABridgeObject;
    return;
  }
  FWebBrowser->RemoveBridge(ABridgeName);
  FWebBrowser->AddBridge(ABridgeName, ABridgeObject);
}

void TKitCustomWebBrowser::RemoveBridge(const QString& ABridgeName) {
  if (FWebBrowser) FWebBrowser->RemoveBridge(ABridgeName);
}
void TKitCustomWebBrowser::CaptureScreenShot() {
  if (FWebBrowser) FWebBrowser->CaptureScreenShot();
}
void TKitCustomWebBrowser::ShowDebugConsole() {
  if (FWebBrowser) FWebBrowser->ShowDebugConsole();
}
void* TKitCustomWebBrowser::NativeEnvironment() { return FWebBrowser ? FWebBrowser->NativeEnvironment() : nullptr; }
void* TKitCustomWebBrowser::NativeBrowser() { return FWebBrowser ? FWebBrowser->NativeBrowser() : nullptr; }
bool TKitCustomWebBrowser::IsQPZBrowser() { return FWebBrowser && FWebBrowser->IsQPZBrowser(); }
bool TKitCustomWebBrowser::CanGoBack() { return FWebBrowser && FWebBrowser->CanGoBack(); }
bool TKitCustomWebBrowser::CanGoForward() { return FWebBrowser && FWebBrowser->CanGoForward(); }
std::shared_ptr<IUnknown> TKitCustomWebBrowser::GetWebBrowserInstance() {
  return FWebBrowser ? FWebBrowser->GetWebBrowserInstance() : nullptr;
}
void TKitCustomWebBrowser::ClearCache() {
  if (FWebBrowser) FWebBrowser->ClearCache();
}

QString TKitCustomWebBrowser::GetBridgeCommunicationLayer(const QString& ABridgeName) {
  const QString cr = QStringLiteral("\r");
  return QStringLiteral("var send") + ABridgeName + QStringLiteral("ObjectMessage = function(parameters) {") + cr +
         QStringLiteral("  var v = parameters;") + cr +
         QStringLiteral("if (!window.chrome || !window.chrome.webview || !window.chrome.webview.hostObjects || "
                        "!window.chrome.webview.hostObjects.sync) {") +
         cr + QStringLiteral("  return;") + cr + QStringLiteral("}") + cr +
         QStringLiteral("var obj = window.chrome.webview.hostObjects.sync.") + ABridgeName + QStringLiteral(";") + cr +
         QStringLiteral("  if (obj) {") + cr + QStringLiteral("    obj.ObjectMessage = v;") + cr + QStringLiteral("  }") +
         cr + QStringLiteral("};");
}

// --- events

void TKitCustomWebBrowser::DocumentComplete() {
  if (OnDocumentComplete) OnDocumentComplete(this);
}
void TKitCustomWebBrowser::HardwareButtonClicked() {
  if (OnHardwareButtonClicked) OnHardwareButtonClicked(this);
}
void TKitCustomWebBrowser::CloseForm() {
  if (OnCloseForm) OnCloseForm(this);
}
void TKitCustomWebBrowser::ScreenShotCaptured(TKitBitmap* AScreenShot) {
  if (OnCaptureScreenShot) OnCaptureScreenShot(this, AScreenShot);
}
void TKitCustomWebBrowser::BeforeNavigate(TKitCustomWebBrowserBeforeNavigateParams& Params) {
  if (OnBeforeNavigate) OnBeforeNavigate(this, Params);
}
void TKitCustomWebBrowser::NavigateComplete(TKitCustomWebBrowserNavigateCompleteParams& Params) {
  if (OnNavigateComplete) OnNavigateComplete(this, Params);
}
void TKitCustomWebBrowser::Initialized() {
  FInitialized = true;
  if (OnInitialized) OnInitialized(this);
}

// --- scripts

void TKitCustomWebBrowser::ExecuteJavaScript(const QString& AScript, TKitWebBrowserJavaScriptCompleteEvent ACompleteEvent,
                                             bool AImmediate) {
  if (!FWebBrowser) return;
  if (AImmediate && FInitialized) {
    FWebBrowser->ExecuteJavaScript(AScript, std::move(ACompleteEvent), nullptr);
    return;
  }
  FScriptList.push_back(std::make_unique<TKitScript>(AScript, std::move(ACompleteEvent)));
  if (FScriptList.size() == 1 && FInitialized) {
    const int generation = FQueueGeneration;
    FWebBrowser->ExecuteJavaScript(FScriptList.front()->Script(), FScriptList.front()->CompleteEvent(),
                                   [this, generation](TObject* Sender) {
                                     if (generation == FQueueGeneration) ExecuteNextScript(Sender);
                                   });
  } else if (!FInitialized) {
    ExecuteNextScript(nullptr);
  }
}

void TKitCustomWebBrowser::ExecuteNextScript(TObject* Sender) {
  if (!FWebBrowser) return;
  if (!FScriptList.empty()) FScriptList.erase(FScriptList.begin());
  if (FScriptList.empty()) return;
  const int generation = FQueueGeneration;
  FWebBrowser->ExecuteJavaScript(FScriptList.front()->Script(), FScriptList.front()->CompleteEvent(),
                                 [this, generation](TObject* S) {
                                   if (generation == FQueueGeneration) ExecuteNextScript(S);
                                 });
}

void TKitCustomWebBrowser::ClearScriptQueue() {
  FScriptList.clear();
  ++FQueueGeneration;
  FReadyStatePending = false;
}

QString TKitCustomWebBrowser::ExecuteJavaScriptSync(const QString& AScript) {
  // Without a live view no answer can come: do not wait for one.
  if (!FWebBrowser || !FInitialized) return QString();
  FSyncValue.clear();
  FSyncValueExecuted = false;
  // Each call has its own result, so a call nested inside the wait of
  // another gets its own answer.
  auto slot = std::make_shared<TSyncSlot>();
  FWebBrowser->ExecuteJavaScript(
      AScript,
      [slot](const QString& AValue) {
        slot->Value = AValue;
        slot->Executed = true;
      },
      nullptr);
  // The wait handles every event: the control may be destroyed inside it.
  const std::shared_ptr<bool> alive = FAlive;
  const TKitWebBrowserPump pump = FSyncPump;
  for (int i = 0; !slot->Executed && i < SyncWaitRounds; ++i) {
    pump();
    if (!*alive) return QString();
  }
  FSyncValue = slot->Value;
  FSyncValueExecuted = slot->Executed;
  return slot->Value;
}

// --- the document-ready poller

void TKitCustomWebBrowser::StartDocumentReadyStateThread() {
  StopDocumentReadyStateThread();
  if (FDocumentReadyStateThread) return;
  FThreadDone = false;
  FDocumentReadyStateThread = std::make_unique<TKitWebBrowserDocumentReadyStateThread>(this);
  FDocumentReadyStateThread->OnTerminate = [this](TObject*) { FThreadDone = true; };
  FDocumentReadyStateThread->AfterConstruction();
}

void TKitCustomWebBrowser::StopDocumentReadyStateThread() {
  if (!FDocumentReadyStateThread) return;
  FDocumentReadyStateThread->Terminate();
  FDocumentReadyStateThread->WaitFor();
  // The end notice comes through the event loop; bounded at five seconds.
  for (int i = 0; !FThreadDone && i < 50; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    Application->ProcessMessages();
  }
  FDocumentReadyStateThread.reset();
  FThreadDone = false;
}

void TKitCustomWebBrowser::CheckApplicationInitialized() {
  // One query at a time: a page that does not answer must not make the
  // queue grow by one script per round.
  if (!*FAlive || FReadyStatePending) return;
  FReadyStatePending = true;
  const std::weak_ptr<bool> alive = FAlive;
  ExecuteJavaScript(QStringLiteral("document.readyState"), [this, alive](const QString& AValue) {
    if (auto a = alive.lock(); a && *a) DoCheckReadyState(AValue);
  });
  // Before initialization the script was dropped at once.
  if (!FInitialized) FReadyStatePending = false;
}

void TKitCustomWebBrowser::DoCheckReadyState(const QString& AValue) {
  FReadyStatePending = false;
  QString value = AValue;
  if (value.remove(QLatin1Char('"')).toLower() != QLatin1String("complete")) return;
  if (!HasClientIdentifier()) {
    FReady = true;
    return;
  }
  FReadyStatePending = true;
  const std::weak_ptr<bool> alive = FAlive;
  ExecuteJavaScript(QStringLiteral("window.VDXLumoriaClientIdentifier"), [this, alive](const QString& AResult) {
    auto a = alive.lock();
    if (!a || !*a) return;
    FReadyStatePending = false;
    QString result = AResult;
    if (result.remove(QLatin1Char('"')).toLower() == QLatin1String("unknown")) FReady = true;
  });
  if (!FInitialized) FReadyStatePending = false;
}

// ---------------------------------------------------------------------------
// Published properties and design-time drawing

TF_PUBLISHED(TKitScript, TObject) {
  return TPublished<TKitScript>().String("Script", &TKitScript::Script);
}

TF_PUBLISHED(TKitWebBrowserPlatformServicesService, TObject) {
  using S = TKitWebBrowserPlatformServicesService;
  return TPublished<S>().String("GUID", &S::GUID);
}

TF_PUBLISHED(TKitWebBrowserPlatformServices, TObject) {
  using S = TKitWebBrowserPlatformServices;
  return TPublished<S>().Integer("Count", &S::Count);
}

TF_PUBLISHED(TKitWebBrowser, TKitCustomControl) {
  using B = TKitWebBrowser;
  return TPublished<B>()
      .String("URL", [](const B& b) { return const_cast<B&>(b).URL(); }, &B::SetURL)
      .String("Version", [](const B& b) { return const_cast<B&>(b).Version(); }, &B::SetVersion)
      .Event("OnNavigateComplete", &B::OnNavigateComplete)
      .Event("OnBeforeNavigate", &B::OnBeforeNavigate)
      .Event("OnHardwareButtonClicked", &B::OnHardwareButtonClicked)
      .Event("OnInitialized", &B::OnInitialized)
      .Event("OnCloseForm", &B::OnCloseForm)
      .Event("OnDocumentComplete", &B::OnDocumentComplete)
      .Event("OnCaptureScreenShot", &B::OnCaptureScreenShot);
}

void TKitCustomWebBrowser::Draw(TKitGraphics* AGraphics, const TRectF& ARect) {
  if (!IsDesigning()) return;
  AGraphics->Font()->BeginUpdate();
  AGraphics->Font()->SetName(QStringLiteral("Montserrat"));
  AGraphics->Font()->SetSize(12);
  AGraphics->Font()->EndUpdate();
  TKitWebBrowserPlatformServices* services = TKitWebBrowserPlatformServices::Current();
  if (services && services->SupportsPlatformService(IKitWebBrowserService::IID)) {
    TRectF r = ARect;
    const float inset = float(ScalePaintValue(5.0));
    r = TRectF(r.Left + inset, r.Top + inset, r.Right - inset, r.Bottom - inset);
    AGraphics->DrawText(r, QStringLiteral("Selectable/Draggable area (only active at designtime)"), false, gtaCenter,
                        gtaLeading);
  } else {
    AGraphics->DrawText(ARect,
                        QStringLiteral("Could not initialize Edge Chromium! Please check if WebView2Loader_x86.dll "
                                       "is correctly distributed and accessible."),
                        true, gtaCenter, gtaCenter);
  }
}
