#pragma once
// The visual-theme library bindings and the toolkit's start-up services.
//
// Three binders (KitXPVS, ATXPVS, KitTBXPVS) each keep their own table of the
// theme library's entry points, bound by name in a fixed order. The theme
// library here is the platform's theme shim (platform/win32/Theme.h, drawing
// through QStyle), looked up by name like a loaded library; it is "present"
// while a QApplication exists (the shim needs one) unless a test switches it
// off. Entries the shim does not offer stay null and are logged once under
// tf.theme; binding never stops start-up for a missing entry (there is no
// assertion failure here: callers test an entry before calling it).
//
// Start-up services: the screen DPI factor and the one size scaled by it, the
// ten registered window messages, the button captions, the character/entity
// tables, two empty tone sets, layered-window support, and menu animation,
// which is switched off for this application only while it runs (never for
// the user's whole session) and switched back on at the end.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <mutex>
#include <vector>

#include "foundation/KitStyles.h"
#include "platform/win32/WinUser.h"

// One binder's table: the names in binding order and their entries.
class TThemeEntryTable {
 public:
  explicit TThemeEntryTable(QStringList Names) : FNames(std::move(Names)), FEntries(FNames.size(), nullptr) {}
  const QStringList& Names() const { return FNames; }
  bool Loaded() const { return FLoaded; }
  // The bound entry of a name, null when it is not bound (or not a name of
  // this table).
  void* Entry(const QString& Name) const;
  int BoundCount() const;

  // Nothing when loaded; else "loads" the library and resolves every name.
  // False when the library is missing (the table stays empty).
  bool Bind();
  // When loaded: frees the library and empties the table.
  void Release();

 private:
  QStringList FNames;
  std::vector<void*> FEntries;
  bool FLoaded = false;
};

// The theme library as a loader sees it: the address of an exported name,
// null when it has none. Present: see the unit's description.
bool ThemeLibraryPresent();
void* ThemeLibraryProcAddress(const QString& Name);
// Tests switch the library off to see the binders without it (restore with
// true).
void SetThemeLibraryAvailable(bool Available);

namespace KitXPVS {
TThemeEntryTable& Table();  // 47 names
void BindKitXPVSThemeEntryPoints();
void ReleaseKitXPVSThemeLibrary();
}  // namespace KitXPVS

namespace ATXPVS {
TThemeEntryTable& Table();  // 45 names
void BindThemeEntryPoints();
void ReleaseThemeLibrary();
}  // namespace ATXPVS

namespace KitTBXPVS {
TThemeEntryTable& Table();  // 45 names
// Under the binder's lock: binds once and raises the load count to 1.
void BindTBXPVSThemeEntryPoints();
// Under the lock: lowers the load count when above 0 and frees the library.
void ReleaseTBXPVSThemeLibrary();
int LoadCount();
}  // namespace KitTBXPVS

// ---------------------------------------------------------------------------
// Toolkit start-up services

namespace KitToolkit {
// Horizontal pixels per inch of the main form's window (when it has one), else
// of the screen, / 96.
float GetScreenDpiFactor();
// The factor and 17 x factor (rounded half to even) computed at start-up.
float DpiFactor();
int ScaledSize();

// Stores whether menus animate, then switches menu animation off for this
// application; RestoreMenuAnimation puts the stored setting back.
void SaveAndDisableMenuAnimation();
void RestoreMenuAnimation();
bool SavedMenuAnimation();

// The ten registered messages by name ("ClearHintControl", "SBDRAWIMAGE",
// "TBCompactWinHide", "TBSetAeroVista", "TBPSetIgnoreALT",
// "TBFUpdateContextMenu", "TBSetMetro", "TBRevertMetro", "TBSetOffice2013",
// "TBShowShortCutHint"); 0 before start-up.
UINT RegisteredMessage(const QString& Name);
const QStringList& RegisteredMessageNames();

// Captions by button kind: 11 entries, the first empty.
const QStringList& ButtonCaptions();

// The 72 characters (Windows-1252 bytes) and the entities written for them.
const std::vector<QByteArray>& EntityCharacters();
const std::vector<QByteArray>& EntityNames();

// Two tone sets, every colour clNone after start-up.
const TColorTones& EmptyTones1();
const TColorTones& EmptyTones2();

// Layered windows: translucent top-level windows are always available here.
bool LayeredWindowsAvailable();

// Start-up: the theme binders, layered windows, the DPI values, the registered
// messages, the captions, the tables, the tone sets and menu animation off.
// Shutdown: menu animation restored, the binders released, the tables freed.
void Initialization();
void Finalization();
bool Initialized();
}  // namespace KitToolkit
