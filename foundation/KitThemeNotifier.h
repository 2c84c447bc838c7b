#pragma once
// Theme detection and change notification: the Office and system theme
// settings of the current user (read from the registry store) turned into a
// component style, and the shared theme notifier that tells registered
// windows when a value under the Office "Common" key changes.
//
// Delivery. The notifier's monitor thread waits for the store's change
// notice on the watched key (changes made in this process, and changes
// another process wrote to the store file, which the store reads back in the
// application's thread). For each wake-up it queues one delivery to the
// user-interface thread, which sends WM_OFFICETHEMECHANGED to the notifier
// window and then to each registered window, in registration order. The
// thread never waits for a window (so a window that registers or leaves
// while a delivery runs cannot dead-lock it), and each window is looked up
// again right before its message: a window that unregistered (or was
// destroyed) meanwhile gets nothing, one that registered after the change
// waits for the next one. Several changes that arrive before the thread
// wakes make one notice, as they do for a Windows change event.
//
// Platform. There is no Windows version, visual-theme colour scheme or
// common-controls library here: their answers come from a settable
// TThemePlatformInfo (by default Windows 10 reporting itself as 6.2 to the
// plain version query, themes as the theme shim says, the "NormalColor"
// scheme, common controls 6), so the registry decides light or dark.
//
// Not covered: the monitor's Filter is kept but every change under the key
// wakes it (the store reports changes without their kind).

#include <QString>
#include <atomic>
#include <memory>

#include "foundation/KitStyles.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/Threads.h"
#include "platform/vcl/Controls.h"

// Sent (WPARAM the watched root key, LPARAM a pointer to the watched key path
// as zero-terminated UTF-16, valid while the message is handled).
inline constexpr UINT WM_OFFICETHEMECHANGED = 2993;

// What the system would answer about itself.
struct TThemePlatformInfo {
  bool VersionQueryOk = true;
  // What the plain version query reports, and what the true version is.
  int ReportedMajor = 6, ReportedMinor = 2;
  bool HasRtlGetVersion = true;
  int TrueMajor = 10, TrueMinor = 0;
  // Visual themes: null means "as the theme shim says".
  int ThemeActive = -1;
  bool HasUxTheme = true;
  QString ColorSchemeName = QStringLiteral("NormalColor");
  int ComCtlMajor = 6;
};
TThemePlatformInfo& ThemePlatformInfo();

// The Office key of each version, below HKEY_CURRENT_USER.
QString OfficeCommonKey(int Version);  // 1..4: 12.0, 14.0, 15.0, 16.0

TVDXStyle DetectComponentStyle(bool AUseXPTheme);
// 0 (11.0 or none) .. 4 (16.0): the last "General" key that exists.
int GetOfficeVersion();
int ReadOfficeUIThemeValue(TRegistry* Registry, const QString& KeyPath);
// Raises the registry's "Invalid data type" error for a "Theme" value that is
// not a 32-bit integer.
int ReadOfficeThemeValue(TRegistry* Registry, const QString& KeyPath);
int ReadAppsUseLightTheme(TRegistry* Registry, const QString& KeyPath);
TVDXStyle GetWindows10Style();
int GetWindowsVersionClass();
void GetTrueWindowsVersion(int& Major, int& Minor);
bool IsWinXPOrLater();
bool IsComCtl6();
int GetXPThemeColor();

// Window handles; each at most once when added through the notifier.
class THandleList : public TList {
 public:
  int Add(HWND Handle) { return TList::Add(reinterpret_cast<void*>(Handle)); }
  void Insert(int Index, HWND Handle) { TList::Insert(Index, reinterpret_cast<void*>(Handle)); }
  HWND GetInteger(int Index) const { return reinterpret_cast<HWND>(Items(Index)); }
  void SetInteger(int Index, HWND Handle) { SetItems(Index, reinterpret_cast<void*>(Handle)); }
  bool HasValue(HWND Handle) const { return IndexOf(reinterpret_cast<void*>(Handle)) >= 0; }
  void DeleteValue(HWND Handle);
};

// What the monitor thread shares with the notifier and the deliveries it
// queued: the windows, the lock around them and the wake-up event. It lives as
// long as the longest of them, so neither side reaches a freed object.
struct TRegMonitorShared;

class TRegMonitorThread : public TThread {
 public:
  // Suspended; the caller sets the properties and starts it.
  TRegMonitorThread();
  ~TRegMonitorThread() override;

  const QString& Key() const { return FKey; }
  void SetKey(const QString& Value) { FKey = Value; }
  HKEY RootKey() const { return FRootKey; }
  void SetRootKey(HKEY Value) { FRootKey = Value; }
  bool WatchSub() const { return FWatchSub; }
  void SetWatchSub(bool Value) { FWatchSub = Value; }
  // Reading 0 sets it to 15 (name, attributes, last-set, security).
  DWORD Filter();
  void SetFilter(DWORD Value) { FFilter = Value; }
  HWND Wnd() const;
  void SetWnd(HWND Value);
  // The further windows; change them under Lock (the notifier does).
  THandleList* WinList() const;
  std::mutex& Lock() const;
  // Asks the thread to end and wakes it. Callable from any thread.
  void Stop();

  std::shared_ptr<TRegMonitorShared> Shared() const { return FShared; }
  TRegistry* Registry() const { return FRegistry.get(); }
  // How many notices the thread has queued (for tests and diagnostics).
  int NoticeCount() const;

 protected:
  void Execute() override;

 private:
  std::shared_ptr<TRegMonitorShared> FShared;
  std::unique_ptr<TRegistry> FRegistry;
  QString FKey;
  HKEY FRootKey = HKEY_CURRENT_USER;
  bool FWatchSub = false;
  DWORD FFilter = 0;
};

// The notifier's window: fires OnOfficeThemeChange on WM_OFFICETHEMECHANGED
// and handles every message as a windowed control does. (Not the stylers'
// theme window.)
class TThemeNotifierWindow : public TWinControl {
 public:
  explicit TThemeNotifierWindow(TComponent* AOwner);
  TNotifyEvent OnOfficeThemeChange;

 protected:
  void WndProc(TMessage& Message) override;
};

class TThemeNotifier : public TComponent {
 public:
  // With Office 2007 or later in the registry: a notifier window on the owner
  // (which must be a windowed control: EInvalidCast otherwise) and a monitor
  // thread watching that version's "Common" key. Without: neither.
  explicit TThemeNotifier(TComponent* AOwner);
  ~TThemeNotifier() override;

  // Adds a window to the thread's list unless it is there; nothing without a
  // thread.
  void RegisterWindow(HWND Hwnd);
  void UnRegisterWindow(HWND Hwnd);
  bool HasMonitor() const { return FShared != nullptr; }
  TThemeNotifierWindow* NotifierWindow() const { return FWindow; }
  // The windows registered (besides the notifier window).
  int RegisteredCount() const;

  TNotifyEvent OnOfficeThemeChange;

 private:
  void OfficeThemeChanged(TObject* Sender);

  TThemeNotifierWindow* FWindow = nullptr;  // owned as a component
  TRegMonitorThread* FThread = nullptr;     // frees itself; reached only through FShared after start
  std::shared_ptr<TRegMonitorShared> FShared;
};

// The shared notifier, created on first use (owned by the main form when it
// has a window, else by AComponent). Destroying it lets the next call make a
// new one.
TThemeNotifier* GetThemeNotifier(TComponent* AComponent);
