#include "browser/KitWebBrowser.Win.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/rtl/Streams.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Graphics.h"

namespace {

// Runs an application handler; what it raises goes to the application.
template <typename Fn>
void Guarded(TObject* Sender, Fn&& fn) {
  try {
    fn();
  } catch (...) {
    Application->HandleException(Sender);
  }
}

// Shows a text in a modal information box with an OK button.
int KitMessage(const QString& AMessage) {
  return Application->MessageBox(AMessage, Application->Title(), MB_OK | MB_ICONINFORMATION);
}

}  // namespace

// ---------------------------------------------------------------------------
// TKitObjectDispatch

TKitObjectDispatch::TKitObjectDispatch(TObject* AInstance, bool Owned)
    : TKitObjectDispatch(AInstance, Owned, std::make_shared<bool>(true)) {}

TKitObjectDispatch::TKitObjectDispatch(TObject* AInstance, bool Owned, std::shared_ptr<bool> AAlive)
    : FInstance(AInstance), FOwned(Owned), FAlive(std::move(AAlive)) {}

TKitObjectDispatch::~TKitObjectDispatch() {
  if (FOwned) FreeInstance();
}

void TKitObjectDispatch::FreeInstance() {
  *FAlive = false;
  if (FOwned) {
    FOwned = false;
    delete FInstance;  // the dispatch was given the object to own
  }
  FInstance = nullptr;
}

std::shared_ptr<TKitObjectDispatch> TKitObjectDispatch::GetObjectDispatch(TObject* AInstance) {
  return std::shared_ptr<TKitObjectDispatch>(new TKitObjectDispatch(AInstance, false, FAlive));
}

const TPropInfo* TKitObjectDispatch::GetPropInfo(const QString& AName, TObject*& AInstance, int32_t& AIndex) {
  AIndex = -1;
  AInstance = nullptr;
  if (!FInstance) return nullptr;
  if (const TPropInfo* info = ::GetPropInfo(FInstance, AName)) {
    AInstance = FInstance;
    return info;
  }
  if (auto* component = dynamic_cast<TComponent*>(FInstance))
    if (TComponent* child = component->FindComponent(AName)) {
      AInstance = FInstance;
      AIndex = child->ComponentIndex();
    }
  return nullptr;
}

int TKitObjectDispatch::AllocDispID(TDispatchKind AKind, const TPropInfo* APropInfo, int32_t AIndex,
                                    TObject* AInstance) {
  for (int i = FDispatchInfoCount - 1; i >= 0; --i) {
    const TDispatchInfo& info = FDispatchInfos[size_t(i)];
    if (info.Kind != AKind) continue;
    if ((AKind == dkProperty && info.PropInfo == APropInfo) || (AKind == dkSubComponent && info.Index == AIndex))
      return i + 100;
  }
  if (size_t(FDispatchInfoCount) == FDispatchInfos.size()) FDispatchInfos.resize(FDispatchInfos.size() + 10);
  TDispatchInfo& info = FDispatchInfos[size_t(FDispatchInfoCount)];
  info.Instance = AInstance;
  info.Kind = AKind;
  info.PropInfo = APropInfo;
  info.Index = AIndex;
  return FDispatchInfoCount++ + 100;
}

HRESULT TKitObjectDispatch::GetIDsOfNames(const QStringList& Names, QList<DISPID>* DispIDs) {
  if (!DispIDs) return E_POINTER;
  DispIDs->clear();
  for (qsizetype i = 0; i < Names.size(); ++i) DispIDs->append(DISPID_UNKNOWN);
  if (Names.isEmpty() || !*FAlive) return DISP_E_UNKNOWNNAME;
  if (GetMethodInfo(Names.front())) return DISP_E_UNKNOWNNAME;  // no method is ever exposed
  TObject* instance = nullptr;
  int32_t index = -1;
  const TPropInfo* info = GetPropInfo(Names.front(), instance, index);
  if (info) {
    (*DispIDs)[0] = AllocDispID(dkProperty, info, -1, instance);
    return S_OK;
  }
  if (instance && index >= 0) {
    (*DispIDs)[0] = AllocDispID(dkSubComponent, nullptr, index, instance);
    return S_OK;
  }
  return DISP_E_UNKNOWNNAME;
}

HRESULT TKitObjectDispatch::Invoke(DISPID DispID, WORD Flags, DISPPARAMS* Params, QVariant* VarResult,
                                   EXCEPINFO* ExcepInfo, UINT* ArgErr) {
  QVariant local;
  QVariant* result = VarResult ? VarResult : &local;
  const int index = DispID - 100;
  // Once the root has freed its object nothing of it may be reached.
  if (!*FAlive || !FInstance || index < 0 || index >= FDispatchInfoCount) return DISP_E_MEMBERNOTFOUND;
  const TDispatchInfo info = FDispatchInfos[size_t(index)];
  try {
    if (info.Kind == dkProperty) {
      if (Flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        if (!Params || Params->rgdispidNamedArgs.size() != 1 ||
            Params->rgdispidNamedArgs.front() != DISPID_PROPERTYPUT || Params->rgvarg.isEmpty())
          return DISP_E_MEMBERNOTFOUND;
        const QVariant& value = Params->rgvarg.front();
        if (info.PropInfo->Kind() == tkClass && value.metaType() == QMetaType::fromType<std::shared_ptr<IDispatch>>()) {
          auto dispatch = std::dynamic_pointer_cast<TKitObjectDispatch>(value.value<std::shared_ptr<IDispatch>>());
          if (!dispatch || !dispatch->Alive()) throw EConvertError(QStringLiteral("Invalid variant type conversion"));
          SetObjectProp(info.Instance, info.PropInfo, dispatch->Instance());
        } else {
          SetPropValue(info.Instance, info.PropInfo, value);
        }
        return S_OK;
      }
      if (Params && !Params->rgvarg.isEmpty()) return DISP_E_BADPARAMCOUNT;
      if (info.PropInfo->Kind() == tkClass) {
        TObject* object = GetObjectProp(info.Instance, info.PropInfo);
        *result = object ? QVariant::fromValue(std::shared_ptr<IDispatch>(GetObjectDispatch(object))) : QVariant();
      } else {
        *result = GetPropValue(info.Instance, info.PropInfo, true);
      }
      return S_OK;
    }
    if (info.Kind == dkSubComponent) {
      auto* owner = dynamic_cast<TComponent*>(info.Instance);
      if (!owner) return DISP_E_MEMBERNOTFOUND;
      *result = QVariant::fromValue(std::shared_ptr<IDispatch>(GetObjectDispatch(owner->Components(info.Index))));
      return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
  } catch (...) {
    if (ExcepInfo) {
      *ExcepInfo = EXCEPINFO();
      ExcepInfo->bstrSource = QStringLiteral("TKitObjectDispatch");
      try {
        throw;
      } catch (const Exception& e) {
        ExcepInfo->bstrDescription = e.Message();
      } catch (...) {
      }
      ExcepInfo->scode = E_FAIL;
    }
    if (ArgErr) *ArgErr = 0;
    return DISP_E_EXCEPTION;
  }
}

// ---------------------------------------------------------------------------
// TCoreWebView2RemoteObject

TF_PUBLISHED(TKitWinWebBrowserCachedFolderItem, TObject) {
  using F = TKitWinWebBrowserCachedFolderItem;
  return TPublished<F>().String("Folder", &F::Folder);
}

TF_PUBLISHED(TCoreWebView2RemoteObject, TPersistent) {
  return TPublished<TCoreWebView2RemoteObject>().String("ObjectMessage", &TCoreWebView2RemoteObject::ObjectMessage,
                                                        &TCoreWebView2RemoteObject::SetObjectMessage);
}

void TCoreWebView2RemoteObject::SetObjectMessage(const QString& AValue) {
  FObjectMessage = AValue;
  TKitCustomWebBrowserBeforeNavigateParams params;
  params.URL = AValue;
  params.Cancel = false;
  TKitCustomWebBrowser* control = FWebBrowser ? FWebBrowser->WebControl() : nullptr;
  if (!control) return;
  FWebBrowser->FURL = AValue;
  Guarded(control, [&] { control->BeforeNavigate(params); });
}

// ---------------------------------------------------------------------------
// Process state

namespace KitWebBrowserWin {

QString LoaderFolder;
QString RuntimeFolder;
bool SuppressInitMessages = false;
bool LoaderLoaded = false;
QString AvailableBrowserVersion;
QString CopiedRuntimeFolder;
TCreateEnvironmentProc CreateCoreWebView2EnvironmentProc = nullptr;
TCreateEnvironmentProc CreateCoreWebView2EnvironmentWithOptionsProc = nullptr;
TBrowserVersionProc GetAvailableCoreWebView2BrowserVersionStringProc = nullptr;

namespace {
std::unique_ptr<std::vector<std::unique_ptr<TKitWinWebBrowserCachedFolderItem>>>& CachedFolderSlot() {
  static std::unique_ptr<std::vector<std::unique_ptr<TKitWinWebBrowserCachedFolderItem>>> list;
  return list;
}

std::shared_ptr<IKitWebBrowserService>& ServiceSlot() {
  static std::shared_ptr<IKitWebBrowserService> service;
  return service;
}

HRESULT CreateWithDefaults(const QString& AFolder, const QString& AUserData, ICoreWebView2EnvironmentOptions*,
                           ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler AHandler) {
  return CreateCoreWebView2EnvironmentWithOptions(AFolder, AUserData, nullptr, std::move(AHandler));
}

QString DefaultRunHiddenCommand(const QString& AProgram, const QStringList& AArguments) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(AProgram, AArguments, QIODevice::ReadOnly);
  if (!process.waitForStarted(5000)) return QString();
  process.closeWriteChannel();
  process.waitForFinished(30000);
  return QString::fromLocal8Bit(process.readAll());
}

// The unit's start-up and end, around the program.
struct TUnitLife {
  TUnitLife() { Startup(); }
  ~TUnitLife() { Shutdown(); }
};
const TUnitLife kUnitLife;
}  // namespace

std::vector<std::unique_ptr<TKitWinWebBrowserCachedFolderItem>>& CachedFolders() {
  auto& slot = CachedFolderSlot();
  if (!slot) slot = std::make_unique<std::vector<std::unique_ptr<TKitWinWebBrowserCachedFolderItem>>>();
  return *slot;
}

std::function<QString()> ProgramFilesX86Folder = [] { return QString(); };
std::function<QString(const QString&, const QStringList&)> RunHiddenCommand = DefaultRunHiddenCommand;

void Startup() {
  (void)kUnitLife;
  CachedFolders();
  if (!LoaderLoaded) {
    // The engine is linked in; it counts as loaded when its helper process
    // is there to run.
    if (IsCoreWebView2RuntimeAvailable()) {
      LoaderLoaded = true;
      CreateCoreWebView2EnvironmentProc = CreateWithDefaults;
      CreateCoreWebView2EnvironmentWithOptionsProc = CreateCoreWebView2EnvironmentWithOptions;
      GetAvailableCoreWebView2BrowserVersionStringProc = GetAvailableCoreWebView2BrowserVersionString;
      QString version;
      if (GetAvailableCoreWebView2BrowserVersionStringProc(QString(), &version) == S_OK) AvailableBrowserVersion = version;
    }
  }
  if (TKitWebBrowserPlatformServices* registry = TKitWebBrowserPlatformServices::Current())
    if (!registry->SupportsPlatformService(IKitWebBrowserService::IID)) {
      ServiceSlot() = std::make_shared<TKitWinWebBrowserService>();
      registry->AddPlatformService(IKitWebBrowserService::IID, ServiceSlot());
    }
}

void Shutdown() {
  if (TKitWebBrowserPlatformServices* registry = TKitWebBrowserPlatformServices::Current())
    registry->RemovePlatformService(IKitWebBrowserService::IID);
  TKitWebBrowserPlatformServices::Shutdown();
  CachedFolderSlot().reset();
  LoaderLoaded = false;
  CreateCoreWebView2EnvironmentProc = nullptr;
  CreateCoreWebView2EnvironmentWithOptionsProc = nullptr;
  GetAvailableCoreWebView2BrowserVersionStringProc = nullptr;
  LoaderFolder.clear();
  RuntimeFolder.clear();
  AvailableBrowserVersion.clear();
  ServiceSlot().reset();
}

QString AddBackslash(const QString& AValue) {
  if (AValue.isEmpty() || AValue.endsWith(QLatin1Char('/'))) return AValue;
  return AValue + QLatin1Char('/');
}

void CopyFolderTree(const QString& ASource, const QString& ATarget) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::create_directories(ATarget.toStdString(), error);
  fs::copy(ASource.toStdString(), ATarget.toStdString(),
           fs::copy_options::recursive | fs::copy_options::overwrite_existing, error);
}

QString ChooseRuntimeFolder() {
  if (!RuntimeFolder.isEmpty()) return RuntimeFolder;
  if (!AvailableBrowserVersion.isEmpty()) return QString();
  if (!CopiedRuntimeFolder.isEmpty() && QFileInfo(CopiedRuntimeFolder).isDir()) return CopiedRuntimeFolder;
  const QString programFiles = ProgramFilesX86Folder ? ProgramFilesX86Folder() : QString();
  if (programFiles.isEmpty()) return QString();
  const QString folder = AddBackslash(programFiles) + QStringLiteral("Microsoft/Edge/Application/");
  const QString exe = folder + QStringLiteral("msedge.exe");
  if (!QFileInfo(folder).isDir() || !QFileInfo::exists(exe)) return QString();
  // The path goes as one argument, never through a shell.
  QString doubled = QDir::toNativeSeparators(exe);
  doubled.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
  QString output = RunHiddenCommand ? RunHiddenCommand(QStringLiteral("wmic.exe"),
                                                       {QStringLiteral("DATAFILE"), QStringLiteral("WHERE"),
                                                        QStringLiteral("NAME='%1'").arg(doubled), QStringLiteral("GET"),
                                                        QStringLiteral("Version"), QStringLiteral("/value")})
                                    : QString();
  output = output.trimmed();
  if (!output.contains(QLatin1String("Version="))) return QString();
  const QString version = output.remove(QLatin1String("Version=")).trimmed();
  if (version.isEmpty() || version.contains(QLatin1Char('/')) || version.contains(QLatin1String(".."))) return QString();
  const QString source = folder + version;
  const QString target = PrivateTempPath() + QStringLiteral("Microsoft Edge ") + version;
  if (!QFileInfo::exists(target)) CopyFolderTree(source, target);
  CopiedRuntimeFolder = target;
  return target;
}

namespace {
// A folder of ours: a real directory (no link) owned by this user, made
// private.
bool OwnPrivateFolder(const QString& AFolder) {
  const QByteArray path = QFile::encodeName(AFolder);
  if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) return false;
  struct stat info {};
  if (::lstat(path.constData(), &info) != 0) return false;
  if (!S_ISDIR(info.st_mode) || info.st_uid != ::geteuid()) return false;
  if ((info.st_mode & 0777) != 0700 && ::chmod(path.constData(), 0700) != 0) return false;
  return true;
}
}  // namespace

QString PrivateTempPath() {
  static QString path;
  if (!path.isEmpty() && QFileInfo(path).isDir()) return path;
  const QString base = QDir::tempPath();
  QString folder = base + QStringLiteral("/tallowfinch-%1").arg(::geteuid());
  if (!OwnPrivateFolder(folder)) {
    // Somebody else holds the name: use the user's own cache location.
    folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/tallowfinch-temp");
    QDir().mkpath(QFileInfo(folder).absolutePath());
    OwnPrivateFolder(folder);
  }
  path = AddBackslash(folder);
  return path;
}

QString CacheExecutableName(const QString& AExeFileName) {
  const QString name = QFileInfo(AExeFileName).fileName();
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  if (dot < 0) return name;
  const QString extension = name.mid(dot);
  QString result = name;
  result.remove(result.indexOf(extension), extension.size());
  return result;
}

QString InitialPageHTML(const QString& AVersion) {
  QString page = QStringLiteral(
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"UTF-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
      "<title>Edge Chromium</title>\n<style>\n"
      "html, body { margin: 0; padding: 0; height: 100%; overflow: hidden; }\n"
      "body { background: #d7ebf6; border: 1px solid #211b19; box-sizing: border-box; display: flex; "
      "align-items: center; justify-content: center; }\n"
      ".box { max-width: 520px; width: 100%; padding: 0 20px; text-align: center; }\n"
      "h1 { font-family: 'Montserrat', sans-serif; font-size: 28px; font-weight: 400; text-transform: uppercase; "
      "color: #211b19; margin: 0; line-height: 1.4; }\n"
      "@media only screen and (max-width: 767px) { h1 { font-size: 24px; } }\n"
      "@media only screen and (max-width: 480px) { h1 { font-size: 18px; } }\n"
      "</style>\n</head>\n<body>\n<div class=\"box\">\n"
      "<h1>Edge Chromium #VERSIONPLACEHOLDER is successfully initialized!</h1>\n"
      "</div>\n</body>\n</html>\n");
  return page.replace(QLatin1String("#VERSIONPLACEHOLDER"), AVersion);
}

}  // namespace KitWebBrowserWin

using namespace KitWebBrowserWin;

// ---------------------------------------------------------------------------
// TKitWinWebBrowser

TKitWinWebBrowser::TKitWinWebBrowser(TKitCustomWebBrowser* AWebControl) : FWebControl(AWebControl) {
  FExternalBrowser = false;
  FEnableAcceleratorKeys = true;
  if (AWebControl) FWebControlAlive = AWebControl->LifeToken();
  const QString exe = CacheExecutableName(QCoreApplication::applicationFilePath());
  FCacheFolder = AddBackslash(AddBackslash(PrivateTempPath()) + exe);
  FFullCacheFolderName = AddBackslash(FCacheFolder) + (FCacheFolderName.isEmpty() ? exe : FCacheFolderName);
}

TKitWinWebBrowser::~TKitWinWebBrowser() {
  *FAlive = false;
  FreeDispatch(FRemoteObjectDispatch);
  for (auto& [name, dispatch] : FCustomBridges) FreeDispatch(dispatch);
  FCustomBridges.clear();
  UnregisterCachedFolder(true);
}

TKitCustomWebBrowser* TKitWinWebBrowser::WebControl() const {
  const auto alive = FWebControlAlive.lock();
  return alive && *alive ? FWebControl : nullptr;
}

QWidget* TKitWinWebBrowser::ControlWindow(bool ACreate) const {
  TKitCustomWebBrowser* control = WebControl();
  if (!control) return nullptr;
  if (control->HandleAllocated()) return control->WidgetIfAllocated();
  if (ACreate && control->Parent()) return control->Widget();
  return nullptr;
}

std::shared_ptr<ICoreWebView2Settings> TKitWinWebBrowser::Settings() const {
  std::shared_ptr<ICoreWebView2Settings> settings;
  if (FWebBrowserWebView2) FWebBrowserWebView2->get_Settings(&settings);
  return settings;
}

void TKitWinWebBrowser::ShowInitMessage(const char* AMessage) const {
  if (SuppressInitMessages) return;
  KitMessage(QString::fromLatin1(AMessage));
}

void TKitWinWebBrowser::FreeDispatch(std::shared_ptr<TKitObjectDispatch>& ADispatch) {
  if (!ADispatch) return;
  ADispatch->FreeInstance();
  ADispatch.reset();
}

void TKitWinWebBrowser::SetUserAgent(const QString& AValue) {
  if (auto settings2 = std::dynamic_pointer_cast<ICoreWebView2Settings2>(Settings())) settings2->put_UserAgent(AValue);
}

QString TKitWinWebBrowser::GetUserAgent() {
  QString agent;
  if (auto settings2 = std::dynamic_pointer_cast<ICoreWebView2Settings2>(Settings())) settings2->get_UserAgent(&agent);
  return agent;
}

void TKitWinWebBrowser::SetEnableContextMenu(bool AValue) {
  if (auto settings = Settings()) settings->put_AreDefaultContextMenusEnabled(AValue);
}

void TKitWinWebBrowser::SetEnableShowDebugConsole(bool AValue) {
  if (auto settings = Settings()) settings->put_AreDevToolsEnabled(AValue);
}

bool TKitWinWebBrowser::GetEnableContextMenu() {
  BOOL value = FALSE;
  auto settings = Settings();
  return settings && SUCCEEDED(settings->get_AreDefaultContextMenusEnabled(&value)) && value;
}

bool TKitWinWebBrowser::GetEnableShowDebugConsole() {
  BOOL value = FALSE;
  auto settings = Settings();
  return settings && SUCCEEDED(settings->get_AreDevToolsEnabled(&value)) && value;
}

void TKitWinWebBrowser::SetCacheFolderName(const QString& AValue) {
  FCacheFolderName = AValue;
  const QString exe = CacheExecutableName(QCoreApplication::applicationFilePath());
  FFullCacheFolderName = AddBackslash(FCacheFolder) + (FCacheFolderName.isEmpty() ? exe : FCacheFolderName);
}

void TKitWinWebBrowser::SetCacheFolder(const QString& AValue) {
  FCacheFolder = AValue;
  const QString exe = CacheExecutableName(QCoreApplication::applicationFilePath());
  FFullCacheFolderName = AddBackslash(FCacheFolder) + (FCacheFolderName.isEmpty() ? exe : FCacheFolderName);
}

void TKitWinWebBrowser::Navigate(const QString& AURL) {
  if (FWebBrowserWebView2) FWebBrowserWebView2->Navigate(AURL);
}
void TKitWinWebBrowser::Navigate() {
  if (FWebBrowserWebView2) FWebBrowserWebView2->Navigate(FURL);
}
void TKitWinWebBrowser::LoadHTML(const QString& AHTML) {
  if (FWebBrowserWebView2) FWebBrowserWebView2->NavigateToString(AHTML);
}
void TKitWinWebBrowser::LoadFile(const QString& AFile) {
  if (FWebBrowserWebView2) FWebBrowserWebView2->Navigate(AFile);
}
void TKitWinWebBrowser::GoForward() {
  if (FWebBrowserWebView2) FWebBrowserWebView2->GoForward();
}
void TKitWinWebBrowser::GoBack() {
  if (FWebBrowserWebView2) FWebBrowserWebView2->GoBack();
}
void TKitWinWebBrowser::Reload() {
  if (FWebBrowserWebView2) FWebBrowserWebView2->Reload();
}
void TKitWinWebBrowser::StopLoading() {
  if (FWebBrowserWebView2) FWebBrowserWebView2->Stop();
}
void TKitWinWebBrowser::Close() {
  if (TKitCustomWebBrowser* control = WebControl()) control->CloseForm();
}
void TKitWinWebBrowser::ShowDebugConsole() {
  if (FWebBrowserWebView2) FWebBrowserWebView2->OpenDevToolsWindow();
}

bool TKitWinWebBrowser::CanGoBack() {
  BOOL value = FALSE;
  return FWebBrowserWebView2 && SUCCEEDED(FWebBrowserWebView2->get_CanGoBack(&value)) && value;
}

bool TKitWinWebBrowser::CanGoForward() {
  BOOL value = FALSE;
  return FWebBrowserWebView2 && SUCCEEDED(FWebBrowserWebView2->get_CanGoForward(&value)) && value;
}

// --- bridges

void TKitWinWebBrowser::AddBridge(const QString& ABridgeName, TObject* ABridgeObject) {
  if (!ABridgeObject) return;
  if (ABridgeName.isEmpty()) {
    delete ABridgeObject;  // handed over, but nowhere to publish it
    return;
  }
  auto dispatch = std::make_shared<TKitObjectDispatch>(ABridgeObject, true);
  FCustomBridges.emplace_back(ABridgeName, dispatch);
  FCustomBridge = ABridgeName;
  // Without a view yet the bridge is published once the view exists.
  if (FWebBrowserWebView2) FWebBrowserWebView2->AddHostObjectToScript(ABridgeName, dispatch);
}

void TKitWinWebBrowser::RemoveBridge(const QString& ABridgeName) {
  if (ABridgeName.isEmpty()) return;
  if (FWebBrowserWebView2) FWebBrowserWebView2->RemoveHostObjectFromScript(ABridgeName);
  if (ABridgeName == FCustomBridge) FCustomBridge.clear();
  TKitCustomWebBrowser* control = WebControl();
  const bool destroy = !control || control->CanDestroyDispatch();
  for (auto it = FCustomBridges.begin(); it != FCustomBridges.end();)
    if (it->first == ABridgeName) {
      if (destroy) FreeDispatch(it->second);
      else it->second->Disown();
      it = FCustomBridges.erase(it);
    } else {
      ++it;
    }
}

// --- view place and visibility

void TKitWinWebBrowser::UpdateBounds() {
  TKitCustomWebBrowser* control = WebControl();
  if (!FWebBrowserController || !control) return;
  QRect bounds(0, 0, control->Width(), control->Height());
  if (control->IsDesigning()) {
    QFont font(QStringLiteral("Montserrat"));
    font.setPointSize(12);
    const int textHeight = QFontMetrics(font).height();
    const int top = control->ScalePaintValue(5) + textHeight;
    const int margin = control->ScalePaintValue(7);
    bounds = QRect(QPoint(margin, top), QPoint(control->Width() - margin - 1, control->Height() - margin - 1));
  }
  FWebBrowserController->put_Bounds(bounds);
}

void TKitWinWebBrowser::UpdateVisible() {
  TKitCustomWebBrowser* control = WebControl();
  if (!control) return;
  // A control with a parent window that shows now gets its view.
  if (!FWebBrowserController && control->Visible() && control->CanShowBrowser() && control->Parent() &&
      !FInitializing) {
    Initialize();
    WaitForController();
  }
  if (FWebBrowserController) FWebBrowserController->put_IsVisible(control->Visible() && control->CanShowBrowser());
}

void TKitWinWebBrowser::BeforeChangeParent() {
  if (!FWebBrowserWebView2 || !FWebBrowserController) return;
  FWebBrowserController->put_IsVisible(FALSE);
  FWebBrowserController->put_ParentWindow(nullptr);
}

// --- life

void TKitWinWebBrowser::Initialize() {
  TKitCustomWebBrowser* control = WebControl();
  if (FWebBrowserWebView2 && FWebBrowserController) {
    FWebBrowserController->put_ParentWindow(ControlWindow(true));
    UpdateVisible();
    return;
  }
  // An engine start already waiting further up the stack finishes the job.
  if (FInitializing) return;
  const bool designTime = control && control->IsDesignTime();
  if (CreateCoreWebView2EnvironmentWithOptionsProc) {
    if (FAutoClearCache && FWebBrowserController) ClearCache();
    FError = false;
    QString runtime = ChooseRuntimeFolder();
    if (!runtime.isEmpty() && !QFileInfo(runtime).isDir()) runtime.clear();
    // The folder is in use from now on: another browser's clean-up leaves it.
    RegisterCachedFolder();
    QDir().mkpath(FCacheFolder);
    QFile::setPermissions(FCacheFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const std::weak_ptr<bool> alive = FAlive;
    FInitializing = true;
    const HRESULT started = CreateCoreWebView2EnvironmentWithOptionsProc(
        runtime, FFullCacheFolderName, nullptr,
        [this, alive](HRESULT AResult, std::shared_ptr<ICoreWebView2Environment> AEnvironment) {
          auto a = alive.lock();
          if (!a || !*a) return S_FALSE;
          return EnvironmentCompleted(AResult, std::move(AEnvironment));
        });
    if (FAILED(started)) {
      FInitializing = false;
      CopiedRuntimeFolder.clear();
      if (!designTime) ShowInitMessage(kMessageInitFailed);
    } else {
      WaitForController();
      FInitializing = false;
      if (designTime) ShowInitialPage();
      else if (FError) ShowInitMessage(kMessageInitFailed);
    }
  } else if (!designTime) {
    ShowInitMessage(LoaderLoaded ? kMessageInitFailed : kMessageLoaderMissing);
  }
}

void TKitWinWebBrowser::WaitForController() {
  TKitCustomWebBrowser* control = WebControl();
  const TKitWebBrowserPump pump = control ? control->SyncPump() : TKitWebBrowserPump(KitWebBrowserPumpOneRound);
  const std::shared_ptr<bool> alive = FAlive;
  for (int i = 0; i < TKitCustomWebBrowser::SyncWaitRounds; ++i) {
    if (!*alive || FWebBrowserController || FError) return;
    pump();
  }
}

HRESULT TKitWinWebBrowser::EnvironmentCompleted(HRESULT AResult, std::shared_ptr<ICoreWebView2Environment> AEnvironment) {
  HRESULT answer = S_FALSE;
  if (AResult == S_OK) {
    FWebBrowserEnvironment = std::move(AEnvironment);
    if (QWidget* window = ControlWindow(true)) {
      const std::weak_ptr<bool> alive = FAlive;
      const HRESULT created = FWebBrowserEnvironment->CreateCoreWebView2Controller(
          window, [this, alive](HRESULT AResult2, std::shared_ptr<ICoreWebView2Controller> AController) {
            auto a = alive.lock();
            if (!a || !*a) return S_FALSE;
            return ControllerCompleted(AResult2, std::move(AController));
          });
      answer = SUCCEEDED(created) ? S_OK : S_FALSE;
    }
  }
  FError = answer == S_FALSE || AResult != S_OK;
  return answer;
}

HRESULT TKitWinWebBrowser::ControllerCompleted(HRESULT AResult, std::shared_ptr<ICoreWebView2Controller> AController) {
  TKitCustomWebBrowser* control = WebControl();
  if (!control) return S_FALSE;
  if (AResult != S_OK || !AController) {
    // A failed view ends the wait at once and is reported.
    FError = true;
    return S_FALSE;
  }
  FWebBrowserController = std::move(AController);
  if (FAILED(FWebBrowserController->get_CoreWebView2(&FWebBrowserWebView2)) || !FWebBrowserWebView2) {
    FWebBrowserController.reset();
    FError = true;
    return S_FALSE;
  }
  const std::weak_ptr<bool> alive = FAlive;
  auto live = [alive] {
    auto a = alive.lock();
    return a && *a;
  };
  if (!control->IsDesigning()) {
    if (!FRemoteObjectDispatch)
      FRemoteObjectDispatch = std::make_shared<TKitObjectDispatch>(new TCoreWebView2RemoteObject(this), true);
    FWebBrowserWebView2->AddHostObjectToScript(QStringLiteral("bridge"), FRemoteObjectDispatch);
    for (const auto& [name, dispatch] : FCustomBridges) FWebBrowserWebView2->AddHostObjectToScript(name, dispatch);
  }
  EventRegistrationToken token;
  FWebBrowserController->add_AcceleratorKeyPressed(
      [this, live](ICoreWebView2Controller*, ICoreWebView2AcceleratorKeyPressedEventArgs* AArgs) {
        if (live()) AcceleratorKeyPressed(AArgs);
        return S_OK;
      },
      &token);
  FWebBrowserWebView2->add_NavigationStarting(
      [this, live](ICoreWebView2*, ICoreWebView2NavigationStartingEventArgs* AArgs) {
        if (live()) NavigationStarting(AArgs);
        return S_OK;
      },
      &token);
  FWebBrowserWebView2->add_NavigationCompleted(
      [this, live](ICoreWebView2*, ICoreWebView2NavigationCompletedEventArgs* AArgs) {
        if (live()) NavigationCompleted(AArgs);
        return S_OK;
      },
      &token);
  FWebBrowserController->add_GotFocus(
      [this, live](ICoreWebView2Controller*, IUnknown*) {
        if (live()) GotFocus();
        return S_OK;
      },
      &token);
  FWebBrowserController->put_IsVisible(TRUE);
  UpdateBounds();
  ShowInitialPage();
  FWebBrowserWebView2->Navigate(FURL);
  UpdateVisible();
  Guarded(control, [control] { control->Initialized(); });
  return S_OK;
}

void TKitWinWebBrowser::ShowInitialPage() {
  TKitCustomWebBrowser* control = WebControl();
  if (!FWebBrowserWebView2 || !control || !control->LoadBlankPageOnInit()) return;
  FWebBrowserWebView2->NavigateToString(InitialPageHTML(AvailableBrowserVersion));
}

void TKitWinWebBrowser::DeInitialize() {
  const bool hadController = FWebBrowserController != nullptr;
  TKitCustomWebBrowser* control = WebControl();
  if (!control || control->CanDestroyDispatch()) {
    FreeDispatch(FRemoteObjectDispatch);
    for (auto& [name, dispatch] : FCustomBridges) FreeDispatch(dispatch);
    FCustomBridges.clear();
    FCustomBridge.clear();
  }
  FImageStream.reset();
  if (FWebBrowserController) {
    FWebBrowserController->put_IsVisible(FALSE);
    FWebBrowserController.reset();
  }
  FWebBrowserWebView2.reset();
  FWebBrowserEnvironment.reset();
  // The engine lets go of the folder once its objects are released, so the
  // folder goes after them.
  if (hadController && FAutoClearCache) DeleteCacheFolder();
  UnregisterCachedFolder(false);
}

void TKitWinWebBrowser::ClearCache() {
  DeleteCacheFolder();
  RegisterCachedFolder();
}

// --- cache folders

void TKitWinWebBrowser::RegisterCachedFolder() {
  // One item per browser, naming its current folder.
  UnregisterCachedFolder(true);
  CachedFolders().push_back(std::make_unique<TKitWinWebBrowserCachedFolderItem>(FFullCacheFolderName, this));
}

void TKitWinWebBrowser::UnregisterCachedFolder(bool AAll) {
  auto& slot = KitWebBrowserWin::CachedFolderSlot();
  if (!slot) return;  // the unit has shut down
  auto& list = *slot;
  for (auto it = list.end(); it != list.begin();) {
    --it;
    if ((*it)->Instance() != this) continue;
    it = list.erase(it);
    if (!AAll) return;
  }
}

namespace {
// Folders never deleted whatever a browser was told: the file system's root,
// the home folder and every folder above it, the temporary folders.
bool ProtectedFolder(const QString& AFolder) {
  const QString folder = QDir::cleanPath(QFileInfo(AFolder).absoluteFilePath());
  if (folder.isEmpty() || folder == QLatin1String("/")) return true;
  const QString home = QDir::cleanPath(QDir::homePath());
  if (home == folder || home.startsWith(folder + QLatin1Char('/'))) return true;
  if (folder == QDir::cleanPath(QDir::tempPath())) return true;
  if (folder == QDir::cleanPath(PrivateTempPath())) return true;
  return false;
}
}  // namespace

void TKitWinWebBrowser::DeleteCacheFolder() {
  TKitCustomWebBrowser* control = WebControl();
  if (control && control->IsDesigning()) return;
  auto& list = CachedFolders();
  for (auto it = list.rbegin(); it != list.rend(); ++it)
    if ((*it)->Instance() != this && (*it)->Folder() == FFullCacheFolderName) return;
  if (ProtectedFolder(FFullCacheFolderName) || QFileInfo(FFullCacheFolderName).isSymLink()) return;
  for (int i = 0; i < 50 && QFileInfo::exists(FFullCacheFolderName); ++i) {
    QDir(FFullCacheFolderName).removeRecursively();
    // Released views and profiles go through the event loop.
    Application->ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (!ProtectedFolder(FCacheFolder)) QDir().rmdir(FCacheFolder);
}

// --- engine events

void TKitWinWebBrowser::NavigationStarting(ICoreWebView2NavigationStartingEventArgs* AArgs) {
  TKitCustomWebBrowserBeforeNavigateParams params;
  AArgs->get_Uri(&params.URL);
  params.Cancel = false;
  if (TKitCustomWebBrowser* control = WebControl()) {
    FSaveURL = params.URL;
    if (!control->IsDesignTime()) FURL = params.URL;
    Guarded(control, [&] { control->BeforeNavigate(params); });
  }
  AArgs->put_Cancel(params.Cancel ? TRUE : FALSE);
}

void TKitWinWebBrowser::NavigationCompleted(ICoreWebView2NavigationCompletedEventArgs* AArgs) {
  TKitCustomWebBrowserNavigateCompleteParams params;
  BOOL success = FALSE;
  params.Success = SUCCEEDED(AArgs->get_IsSuccess(&success)) && success;
  COREWEBVIEW2_WEB_ERROR_STATUS status = COREWEBVIEW2_WEB_ERROR_STATUS_UNKNOWN;
  params.ErrorCode = SUCCEEDED(AArgs->get_WebErrorStatus(&status)) ? int32_t(status) : 0;
  params.URL = FSaveURL;
  if (TKitCustomWebBrowser* control = WebControl()) {
    if (!control->IsDesignTime()) FURL = params.URL;
    Guarded(control, [&] { control->NavigateComplete(params); });
  }
}

void TKitWinWebBrowser::AcceleratorKeyPressed(ICoreWebView2AcceleratorKeyPressedEventArgs* AArgs) {
  TKitCustomWebBrowser* control = WebControl();
  if (!control) return;
  if (!control->EnableAcceleratorKeys()) {
    AArgs->put_Handled(TRUE);
    return;
  }
  UINT virtualKey = 0;
  AArgs->get_VirtualKey(&virtualKey);
  Word key = Word(virtualKey);
  Guarded(control, [&] { control->AcceleratorKeyPressed(key); });
  if (key == 0) AArgs->put_Handled(TRUE);
}

void TKitWinWebBrowser::GotFocus() {
  TKitCustomWebBrowser* control = WebControl();
  if (!control || !control->CanFocus() || control->IsDesigning()) return;
  // The page keeps the keyboard; the framework learns that the control has
  // the focus.
  if (TCustomForm* form = GetParentForm(control)) Guarded(control, [&] { form->SetFocusedControl(control); });
}

// --- scripts and pictures

void TKitWinWebBrowser::ExecuteJavaScript(const QString& AScript, TKitWebBrowserJavaScriptCompleteEvent ACompleteEvent,
                                          TNotifyEvent ACallback) {
  if (!FWebBrowserWebView2) return;
  const std::weak_ptr<bool> alive = FAlive;
  FWebBrowserWebView2->ExecuteScript(
      AScript, [this, alive, complete = std::move(ACompleteEvent), callback = std::move(ACallback)](
                   HRESULT, const QString& AResultObjectAsJson) {
        auto a = alive.lock();
        if (!a || !*a) return S_OK;
        TKitCustomWebBrowser* control = WebControl();
        if (!control) return S_OK;
        // The queue moves on even when the completion raised.
        if (complete) Guarded(control, [&] { complete(AResultObjectAsJson); });
        auto b = alive.lock();
        if (callback && b && *b && WebControl()) Guarded(control, [&] { callback(this); });
        return S_OK;
      });
}

void TKitWinWebBrowser::CaptureScreenShot() {
  if (!FWebBrowserWebView2) return;
  FImageStream = std::make_shared<QBuffer>();
  FImageStream->open(QIODevice::ReadWrite);
  const std::weak_ptr<bool> alive = FAlive;
  // The stream stays alive until the engine has written it.
  std::shared_ptr<QBuffer> stream = FImageStream;
  const HRESULT started = FWebBrowserWebView2->CapturePreview(
      COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT_PNG, stream.get(), [this, alive, stream](HRESULT) {
        auto a = alive.lock();
        if (a && *a && FImageStream == stream) CapturePreviewCompleted();
        return S_OK;
      });
  if (FAILED(started)) FImageStream.reset();
}

void TKitWinWebBrowser::CapturePreviewCompleted() {
  TKitCustomWebBrowser* control = WebControl();
  if (!control || !FImageStream) return;
  TBytesStream bytes(FImageStream->data());
  bytes.SetPosition(0);
  // The screenshot as the library's picture (PNG bytes).
  std::unique_ptr<TKitBitmap> picture;
  try {
    picture = TKitBitmap::CreateFromStream(&bytes);
  } catch (const Exception&) {
    // Bytes that are no picture: an empty one.
    picture = std::make_unique<TKitBitmap>();
  }
  Guarded(control, [&] { control->ScreenShotCaptured(picture.get()); });
}

// ---------------------------------------------------------------------------

std::shared_ptr<IKitCustomWebBrowser> TKitWinWebBrowserService::DoCreateWebBrowser(TKitCustomWebBrowser* AWebControl) {
  return std::make_shared<TKitWinWebBrowser>(AWebControl);
}
