// Theme detection from the registry store, and the theme notifier.

#include "foundation/KitThemeNotifier.h"

#include <QLoggingCategory>
#include <mutex>

#include "platform/rtl/SyncObjs.h"
#include "platform/vcl/Forms.h"
#include "platform/win32/Theme.h"
#include "platform/win32/WinUser.h"

Q_LOGGING_CATEGORY(lcTheme, "tf.theme")

namespace {
const QString kGeneralKeys[5] = {
    QStringLiteral("Software\\Microsoft\\Office\\11.0\\Common\\General"),
    QStringLiteral("Software\\Microsoft\\Office\\12.0\\Common\\General"),
    QStringLiteral("Software\\Microsoft\\Office\\14.0\\Common\\General"),
    QStringLiteral("Software\\Microsoft\\Office\\15.0\\Common\\General"),
    QStringLiteral("Software\\Microsoft\\Office\\16.0\\Common\\General"),
};
const QString kPersonalizeKey = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize");

// A value read as text whatever its type: a 32-bit integer gives its decimal
// digits, a text itself; anything else (or a missing value) is empty.
QString ValueAsText(TRegistry* Registry, const QString& Name) {
  std::optional<TRegistryValue> v =
      TRegistryStore::Instance().QueryValue(Registry->RootKey(), Registry->CurrentPath(), Name);
  if (!v) return QString();
  if (v->DataType == REG_DWORD && v->Data.size() == 4) {
    const auto* b = reinterpret_cast<const unsigned char*>(v->Data.constData());
    const uint32_t n = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    return QString::number(int32_t(n));
  }
  if (v->DataType == REG_SZ || v->DataType == REG_EXPAND_SZ) return Registry->ReadString(Name);
  return QString();
}

int TextToInt(const QString& Text, int Fallback) {
  bool ok = false;
  const int n = Text.trimmed().toInt(&ok);
  return ok && !Text.trimmed().isEmpty() ? n : Fallback;
}
}  // namespace

TThemePlatformInfo& ThemePlatformInfo() {
  static TThemePlatformInfo info;
  return info;
}

QString OfficeCommonKey(int Version) {
  static const char* names[] = {"12.0", "14.0", "15.0", "16.0"};
  if (Version < 1 || Version > 4) return QString();
  return QStringLiteral("Software\\Microsoft\\Office\\%1\\Common").arg(QLatin1String(names[Version - 1]));
}

// ---------------------------------------------------------------------------
// Detection

int ReadOfficeUIThemeValue(TRegistry* Registry, const QString& KeyPath) {
  if (!Registry->KeyExists(KeyPath)) return -1;
  if (!Registry->OpenKeyReadOnly(KeyPath)) return -1;
  const int result = TextToInt(ValueAsText(Registry, QStringLiteral("UI Theme")), 0);
  Registry->CloseKey();
  return result;
}

int ReadOfficeThemeValue(TRegistry* Registry, const QString& KeyPath) {
  if (!Registry->KeyExists(KeyPath)) return -1;
  if (!Registry->OpenKeyReadOnly(KeyPath)) return -1;
  struct Closer {
    TRegistry* r;
    ~Closer() { r->CloseKey(); }
  } closer{Registry};
  if (!Registry->ValueExists(QStringLiteral("Theme"))) return -1;
  return Registry->ReadInteger(QStringLiteral("Theme"));
}

int ReadAppsUseLightTheme(TRegistry* Registry, const QString& KeyPath) {
  if (!Registry->KeyExists(KeyPath)) return -1;
  if (!Registry->OpenKeyReadOnly(KeyPath)) return -1;
  int result = -1;
  if (Registry->ValueExists(QStringLiteral("AppsUseLightTheme")))
    result = TextToInt(ValueAsText(Registry, QStringLiteral("AppsUseLightTheme")), 0);
  Registry->CloseKey();
  return result;
}

TVDXStyle GetWindows10Style() {
  TRegistry registry(KEY_READ);
  registry.SetRootKey(HKEY_CURRENT_USER);
  return ReadAppsUseLightTheme(&registry, kPersonalizeKey) == 0 ? tsOffice2019Black : tsWindows10;
}

void GetTrueWindowsVersion(int& Major, int& Minor) {
  const TThemePlatformInfo& info = ThemePlatformInfo();
  if (!info.HasRtlGetVersion) return;
  Major = info.TrueMajor;
  Minor = info.TrueMinor;
}

int GetWindowsVersionClass() {
  const TThemePlatformInfo& info = ThemePlatformInfo();
  if (!info.VersionQueryOk) return 0;
  int major = info.ReportedMajor, minor = info.ReportedMinor;
  if (major == 6 && minor == 2) GetTrueWindowsVersion(major, minor);
  if (major == 6 && minor == 1) return 1;
  if (major == 6 && (minor == 2 || minor == 3)) return 2;
  if ((major == 6 && minor == 4) || major == 10) return 3;
  return 0;
}

bool IsWinXPOrLater() {
  const TThemePlatformInfo& info = ThemePlatformInfo();
  int major = info.ReportedMajor, minor = info.ReportedMinor;
  return major > 5 || (major == 5 && minor > 0);
}

bool IsComCtl6() { return ThemePlatformInfo().ComCtlMajor > 5; }

int GetXPThemeColor() {
  if (!IsWinXPOrLater()) return 0;
  const TThemePlatformInfo& info = ThemePlatformInfo();
  if (!info.HasUxTheme) return 0;
  const bool active = info.ThemeActive < 0 ? bool(IsThemeActive()) : info.ThemeActive != 0;
  if (!active || !IsComCtl6()) return 0;
  const QString& scheme = info.ColorSchemeName;
  if (scheme.isEmpty()) return 0;
  if (QStringLiteral("NormalColor").contains(scheme, Qt::CaseSensitive)) return 1;
  if (QStringLiteral("HomeStead").contains(scheme, Qt::CaseSensitive)) return 2;
  if (QStringLiteral("Metallic").contains(scheme, Qt::CaseSensitive)) return 3;
  return 0;
}

int GetOfficeVersion() {
  int result = 0;
  for (int i = 0; i < 5; ++i)
    if (TRegistryStore::Instance().KeyExists(HKEY_CURRENT_USER, kGeneralKeys[i])) result = i;
  return result;
}

TVDXStyle DetectComponentStyle(bool AUseXPTheme) {
  TRegistry registry(KEY_READ);
  registry.SetRootKey(HKEY_CURRENT_USER);
  int v = ReadOfficeUIThemeValue(&registry, OfficeCommonKey(4));
  if (v != -1) return v == 3 ? tsOffice2019Gray : v == 4 ? tsOffice2019Black : tsOffice2019White;
  v = ReadOfficeUIThemeValue(&registry, OfficeCommonKey(3));
  switch (v) {
    case -1: break;
    case 0: return tsOffice2013White;
    case 1: return tsOffice2013LightGray;
    case 2: return tsOffice2013Gray;
    default: return tsCustom;
  }
  v = ReadOfficeThemeValue(&registry, OfficeCommonKey(2));
  switch (v) {
    case -1: break;
    case 1: return tsOffice2010Blue;
    case 2: return tsOffice2010Silver;
    case 3: return tsOffice2010Black;
    default: return tsCustom;
  }
  v = ReadOfficeThemeValue(&registry, OfficeCommonKey(1));
  switch (v) {
    case -1: break;
    case 1: return tsOffice2007Luna;
    case 2: return tsOffice2007Silver;
    case 3: return tsOffice2007Obsidian;
    default: return tsCustom;
  }
  if (AUseXPTheme) {
    switch (GetXPThemeColor()) {
      case 1: return tsOffice2003Blue;
      case 2: return tsOffice2003Olive;
      case 3: return tsOffice2003Silver;
      default: return tsOffice2003Classic;
    }
  }
  switch (GetWindowsVersionClass()) {
    case 2: return tsWindows8;
    case 3: return GetWindows10Style();
    default: return tsWindows7;
  }
}

// ---------------------------------------------------------------------------
// Handle list

void THandleList::DeleteValue(HWND Handle) {
  const int i = IndexOf(reinterpret_cast<void*>(Handle));
  if (i >= 0) Delete(i);
}

// ---------------------------------------------------------------------------
// Monitor thread

struct TRegMonitorShared {
  std::mutex Lock;
  THandleList List;
  HWND Wnd = nullptr;
  HKEY Root = HKEY_CURRENT_USER;
  QString Key;
  TEvent Event{true, false};
  // Set once the thread watches the key (or gave up).
  TEvent Armed{true, false};
  std::atomic<bool> Stopped{false};
  std::atomic<int> Notices{0};

  bool StillTarget(HWND h) {
    std::lock_guard<std::mutex> guard(Lock);
    return !Stopped.load() && (h == Wnd || List.HasValue(h));
  }

  // On the user-interface thread: one message to the notifier window, then
  // to each registered window, each looked up again right before its turn.
  static void Deliver(const std::shared_ptr<TRegMonitorShared>& self) {
    std::vector<HWND> targets;
    HKEY root;
    std::u16string path;
    {
      std::lock_guard<std::mutex> guard(self->Lock);
      if (self->Stopped.load()) return;
      if (self->Wnd) targets.push_back(self->Wnd);
      for (int i = 0; i < self->List.Count(); ++i) targets.push_back(self->List.GetInteger(i));
      root = self->Root;
      path = self->Key.toStdU16String();
    }
    for (HWND h : targets) {
      if (!self->StillTarget(h) || !IsWindow(h)) continue;
      CallGuarded([&] { SendMessage(h, WM_OFFICETHEMECHANGED, WPARAM(root), LPARAM(path.c_str())); });
    }
  }
};

TRegMonitorThread::TRegMonitorThread()
    : TThread(true), FShared(std::make_shared<TRegMonitorShared>()), FRegistry(std::make_unique<TRegistry>(KEY_READ)) {}

TRegMonitorThread::~TRegMonitorThread() = default;

DWORD TRegMonitorThread::Filter() {
  if (FFilter == 0) FFilter = 15;
  return FFilter;
}

HWND TRegMonitorThread::Wnd() const {
  std::lock_guard<std::mutex> guard(FShared->Lock);
  return FShared->Wnd;
}

void TRegMonitorThread::SetWnd(HWND Value) {
  std::lock_guard<std::mutex> guard(FShared->Lock);
  FShared->Wnd = Value;
}

THandleList* TRegMonitorThread::WinList() const { return &FShared->List; }
std::mutex& TRegMonitorThread::Lock() const { return FShared->Lock; }
int TRegMonitorThread::NoticeCount() const { return FShared->Notices.load(); }

void TRegMonitorThread::Stop() {
  Terminate();
  FShared->Stopped = true;
  FShared->Event.SetEvent();
}

void TRegMonitorThread::Execute() {
  struct ArmedOnExit {
    TRegMonitorShared* s;
    ~ArmedOnExit() { s->Armed.SetEvent(); }
  } armedOnExit{FShared.get()};
  FRegistry->SetRootKey(FRootKey);
  if (!FRegistry->OpenKeyReadOnly(FKey))
    throw Exception(QStringLiteral("Unable to open registry key ") + FKey);
  std::shared_ptr<TRegMonitorShared> shared = FShared;
  {
    std::lock_guard<std::mutex> guard(shared->Lock);
    shared->Root = FRootKey;
    shared->Key = FKey;
  }
  Filter();
  // The subtree is watched whatever WatchSub says.
  const int subscription = TRegistryStore::Instance().Subscribe(
      FRootKey, FKey, true, [weak = std::weak_ptr<TRegMonitorShared>(shared)](HKEY, const QString&) {
        if (auto s = weak.lock()) s->Event.SetEvent();
      });
  shared->Armed.SetEvent();
  while (!Terminated() && !shared->Stopped.load()) {
    if (shared->Event.WaitFor(INFINITE) != wrSignaled) continue;
    if (Terminated() || shared->Stopped.load()) break;
    // Reset before the notice goes out, so a change arriving meanwhile wakes
    // the thread again instead of being lost.
    shared->Event.ResetEvent();
    ++shared->Notices;
    TThread::Queue(nullptr, [shared] { TRegMonitorShared::Deliver(shared); });
  }
  TRegistryStore::Instance().Unsubscribe(subscription);
}

// ---------------------------------------------------------------------------
// Notifier window and notifier

TThemeNotifierWindow::TThemeNotifierWindow(TComponent* AOwner) : TWinControl(AOwner) {}

void TThemeNotifierWindow::WndProc(TMessage& Message) {
  if (Message.Msg == WM_OFFICETHEMECHANGED && OnOfficeThemeChange) OnOfficeThemeChange(this);
  TWinControl::WndProc(Message);
}

namespace {
TThemeNotifier* SharedNotifier = nullptr;
}

TThemeNotifier::TThemeNotifier(TComponent* AOwner) : TComponent(AOwner) {
  if (ComponentState().Contains(csDesigning)) return;
  const int version = GetOfficeVersion();
  if (version < 1 || version > 4) return;
  auto* parent = dynamic_cast<TWinControl*>(AOwner);
  if (!parent) throw EInvalidCast(QStringLiteral("Invalid class typecast"));
  FWindow = new TThemeNotifierWindow(this);
  FWindow->SetVisible(false);
  FWindow->SetParent(parent);
  FWindow->OnOfficeThemeChange = [this](TObject* Sender) { OfficeThemeChanged(Sender); };
  FThread = new TRegMonitorThread();
  FThread->SetFreeOnTerminate(true);
  FThread->SetWnd(FWindow->Handle());
  FThread->SetFilter(4);
  FThread->SetKey(OfficeCommonKey(version));
  FThread->SetRootKey(HKEY_CURRENT_USER);
  FThread->SetWatchSub(true);
  FShared = FThread->Shared();
  FThread->AfterConstruction();
  FThread->Start();
  // A change made right after creation is reported: the thread watches the
  // key before the notifier is handed out (bounded, in case it cannot start).
  FShared->Armed.WaitFor(5000);
}

TThemeNotifier::~TThemeNotifier() {
  if (FShared) {
    // The thread frees itself once it woke; only the shared part is touched.
    FShared->Stopped = true;
    FShared->Event.SetEvent();
  }
  if (SharedNotifier == this) SharedNotifier = nullptr;
}

void TThemeNotifier::RegisterWindow(HWND Hwnd) {
  if (!FShared) return;
  std::lock_guard<std::mutex> guard(FShared->Lock);
  if (!FShared->List.HasValue(Hwnd)) FShared->List.Add(Hwnd);
}

void TThemeNotifier::UnRegisterWindow(HWND Hwnd) {
  if (!FShared) return;
  std::lock_guard<std::mutex> guard(FShared->Lock);
  FShared->List.DeleteValue(Hwnd);
}

int TThemeNotifier::RegisteredCount() const {
  if (!FShared) return 0;
  std::lock_guard<std::mutex> guard(FShared->Lock);
  return FShared->List.Count();
}

void TThemeNotifier::OfficeThemeChanged(TObject*) {
  if (OnOfficeThemeChange) OnOfficeThemeChange(this);
}

TThemeNotifier* GetThemeNotifier(TComponent* AComponent) {
  if (!SharedNotifier) {
    TComponent* owner = AComponent;
    if (Application && Application->MainForm() && Application->MainForm()->HandleAllocated())
      owner = Application->MainForm();
    SharedNotifier = new TThemeNotifier(owner);
  }
  return SharedNotifier;
}
