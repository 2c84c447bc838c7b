// Theme-library binders and the toolkit's start-up services.

#include "foundation/KitXPVS.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QScreen>
#include <atomic>
#include <cmath>
#include <map>

#include "platform/vcl/Forms.h"
#include "platform/win32/Theme.h"

Q_DECLARE_LOGGING_CATEGORY(lcTheme)

namespace {

std::atomic<bool> LibraryAvailable{true};

// The shim's exports by name.
const std::map<QString, void*>& Exports() {
  static const std::map<QString, void*> exports = {
      {QStringLiteral("IsThemeActive"), reinterpret_cast<void*>(&IsThemeActive)},
      {QStringLiteral("IsAppThemed"), reinterpret_cast<void*>(&IsAppThemed)},
      {QStringLiteral("SetThemeAppProperties"), reinterpret_cast<void*>(&SetThemeAppProperties)},
      {QStringLiteral("GetThemeAppProperties"), reinterpret_cast<void*>(&GetThemeAppProperties)},
      {QStringLiteral("OpenThemeData"), reinterpret_cast<void*>(&OpenThemeData)},
      {QStringLiteral("OpenThemeDataForDpi"), reinterpret_cast<void*>(&OpenThemeDataForDpi)},
      {QStringLiteral("CloseThemeData"), reinterpret_cast<void*>(&CloseThemeData)},
      {QStringLiteral("IsThemePartDefined"), reinterpret_cast<void*>(&IsThemePartDefined)},
      {QStringLiteral("DrawThemeBackground"), reinterpret_cast<void*>(&DrawThemeBackground)},
      {QStringLiteral("GetThemePartSize"), reinterpret_cast<void*>(&GetThemePartSize)},
  };
  return exports;
}

QStringList FullNames() {
  return {QStringLiteral("OpenThemeData"),
          QStringLiteral("OpenThemeDataForDpi"),
          QStringLiteral("CloseThemeData"),
          QStringLiteral("DrawThemeBackground"),
          QStringLiteral("DrawThemeText"),
          QStringLiteral("GetThemeBackgroundContentRect"),
          QStringLiteral("GetThemeBackgroundExtent"),
          QStringLiteral("GetThemeTextExtent"),
          QStringLiteral("GetThemeTextMetrics"),
          QStringLiteral("GetThemeBackgroundRegion"),
          QStringLiteral("HitTestThemeBackground"),
          QStringLiteral("DrawThemeEdge"),
          QStringLiteral("DrawThemeIcon"),
          QStringLiteral("IsThemePartDefined"),
          QStringLiteral("IsThemeBackgroundPartiallyTransparent"),
          QStringLiteral("GetThemeColor"),
          QStringLiteral("GetThemeMetric"),
          QStringLiteral("GetThemeString"),
          QStringLiteral("GetThemeBool"),
          QStringLiteral("GetThemeInt"),
          QStringLiteral("GetThemeEnumValue"),
          QStringLiteral("GetThemePosition"),
          QStringLiteral("GetThemeFont"),
          QStringLiteral("GetThemeRect"),
          QStringLiteral("GetThemeMargins"),
          QStringLiteral("GetThemeIntList"),
          QStringLiteral("SetWindowTheme"),
          QStringLiteral("GetThemeFilename"),
          QStringLiteral("GetThemeSysColor"),
          QStringLiteral("GetThemeSysColorBrush"),
          QStringLiteral("GetThemeSysBool"),
          QStringLiteral("GetThemeSysSize"),
          QStringLiteral("GetThemeSysFont"),
          QStringLiteral("GetThemeSysString"),
          QStringLiteral("GetThemeSysInt"),
          QStringLiteral("IsThemeActive"),
          QStringLiteral("IsAppThemed"),
          QStringLiteral("GetWindowTheme"),
          QStringLiteral("GetThemePartSize"),
          QStringLiteral("EnableThemeDialogTexture"),
          QStringLiteral("IsThemeDialogTextureEnabled"),
          QStringLiteral("GetThemeAppProperties"),
          QStringLiteral("SetThemeAppProperties"),
          QStringLiteral("GetCurrentThemeName"),
          QStringLiteral("GetThemeDocumentationProperty"),
          QStringLiteral("DrawThemeParentBackground"),
          QStringLiteral("EnableTheming")};
}

QStringList ShortNames() {
  QStringList names = FullNames();
  names.removeAll(QStringLiteral("OpenThemeDataForDpi"));
  names.removeAll(QStringLiteral("GetThemePartSize"));
  return names;
}

}  // namespace

bool ThemeLibraryPresent() { return LibraryAvailable.load() && QApplication::instance() != nullptr; }

void* ThemeLibraryProcAddress(const QString& Name) {
  if (!ThemeLibraryPresent()) return nullptr;
  const auto& exports = Exports();
  const auto it = exports.find(Name);
  return it == exports.end() ? nullptr : it->second;
}

void SetThemeLibraryAvailable(bool Available) { LibraryAvailable = Available; }

void* TThemeEntryTable::Entry(const QString& Name) const {
  const int i = FNames.indexOf(Name);
  return i < 0 ? nullptr : FEntries[size_t(i)];
}

int TThemeEntryTable::BoundCount() const {
  int n = 0;
  for (void* e : FEntries) n += e != nullptr;
  return n;
}

bool TThemeEntryTable::Bind() {
  if (FLoaded) return true;
  if (!ThemeLibraryPresent()) return false;
  FLoaded = true;
  QStringList missing;
  for (int i = 0; i < FNames.size(); ++i) {
    FEntries[size_t(i)] = ThemeLibraryProcAddress(FNames[i]);
    if (!FEntries[size_t(i)] && FNames[i] != QStringLiteral("OpenThemeDataForDpi")) missing << FNames[i];
  }
  static std::once_flag logged;
  if (!missing.isEmpty())
    std::call_once(logged, [&] {
      qCInfo(lcTheme) << "theme library: entries not offered (left unbound):" << missing.join(QStringLiteral(", "));
    });
  return true;
}

void TThemeEntryTable::Release() {
  if (!FLoaded) return;
  std::fill(FEntries.begin(), FEntries.end(), nullptr);
  FLoaded = false;
}

namespace KitXPVS {
TThemeEntryTable& Table() {
  static TThemeEntryTable table(FullNames());
  return table;
}
void BindKitXPVSThemeEntryPoints() { Table().Bind(); }
void ReleaseKitXPVSThemeLibrary() { Table().Release(); }
}  // namespace KitXPVS

namespace ATXPVS {
TThemeEntryTable& Table() {
  static TThemeEntryTable table(ShortNames());
  return table;
}
void BindThemeEntryPoints() { Table().Bind(); }
void ReleaseThemeLibrary() { Table().Release(); }
}  // namespace ATXPVS

namespace KitTBXPVS {
namespace {
std::mutex& Lock() {
  static std::mutex lock;
  return lock;
}
int Count = 0;
}  // namespace
TThemeEntryTable& Table() {
  static TThemeEntryTable table(ShortNames());
  return table;
}
void BindTBXPVSThemeEntryPoints() {
  std::lock_guard<std::mutex> guard(Lock());
  if (Table().Loaded()) return;
  if (Table().Bind()) ++Count;
}
void ReleaseTBXPVSThemeLibrary() {
  std::lock_guard<std::mutex> guard(Lock());
  if (Count > 0) --Count;
  Table().Release();
}
int LoadCount() {
  std::lock_guard<std::mutex> guard(Lock());
  return Count;
}
}  // namespace KitTBXPVS

// ---------------------------------------------------------------------------
// Toolkit services

namespace KitToolkit {
namespace {
bool Started = false;
float Factor = 1.0f;
int Scaled17 = 17;
bool SavedAnimation = false;
std::map<QString, UINT> Messages;
TColorTones Tones1, Tones2;

const QStringList& MessageNames() {
  static const QStringList names = {
      QStringLiteral("ClearHintControl"), QStringLiteral("SBDRAWIMAGE"),      QStringLiteral("TBCompactWinHide"),
      QStringLiteral("TBSetAeroVista"),   QStringLiteral("TBPSetIgnoreALT"),  QStringLiteral("TBFUpdateContextMenu"),
      QStringLiteral("TBSetMetro"),       QStringLiteral("TBRevertMetro"),    QStringLiteral("TBSetOffice2013"),
      QStringLiteral("TBShowShortCutHint")};
  return names;
}

struct TEntity {
  unsigned char Char;
  const char* Name;
};
const TEntity kEntities[] = {
    {0xE9, "&eacute;"}, {0xE8, "&egrave;"}, {0xEB, "&euml;"},   {0xEA, "&ecirc;"},  {0xF3, "&oacute;"},
    {0xF2, "&ograve;"}, {0xF6, "&ouml;"},   {0xF4, "&ocirc;"},  {0xED, "&iacute;"}, {0xEC, "&igrave;"},
    {0xEF, "&iuml;"},   {0xEE, "&icirc;"},  {0xFA, "&uacute;"}, {0xF9, "&ugrave;"}, {0xFC, "&uuml;"},
    {0xFB, "&ucirc;"},  {0xE1, "&aacute;"}, {0xE0, "&agrave;"}, {0xE4, "&auml;"},   {0xE2, "&acirc;"},
    {0xC9, "&Eacute;"}, {0xC8, "&Egrave;"}, {0xCB, "&Euml;"},   {0xCA, "&Ecirc;"},  {0xD3, "&Oacute;"},
    {0xD2, "&Ograve;"}, {0xD6, "&Ouml;"},   {0xD4, "&Ocirc;"},  {0xCD, "&Iacute;"}, {0xCC, "&Igrave;"},
    {0xCF, "&Iuml;"},   {0xCE, "&Icirc;"},  {0xDA, "&Uacute;"}, {0xD9, "&Ugrave;"}, {0xDC, "&Uuml;"},
    {0xDB, "&Ucirc;"},  {0xC1, "&Aacute;"}, {0xC0, "&Agrave;"}, {0xC4, "&Auml;"},   {0xC2, "&Acirc;"},
    {0xE7, "&ccedil;"}, {0xC7, "&Ccedil;"}, {0xF8, "&oslash;"}, {0xD8, "&Oslash;"}, {0xE5, "&aring;"},
    {0xC5, "&Aring;"},  {0xA9, "&copy;"},   {0xAE, "&reg;"},    {0x80, "&euro;"},   {0xAB, "&laquo;"},
    {0xBB, "&raquo;"},  {0xE3, "&atilde;"}, {0xC3, "&Atilde;"}, {0xF5, "&otilde;"}, {0xD5, "&Otilde"},
    {0xDF, "&szlig;"},  {0x99, "&trade;"},  {0xA3, "&pound;"},  {0x24, "&dollar;"}, {0xA7, "&sect;"},
    {0x89, "&permil;"}, {0xB6, "&para;"},   {0x22, "&quot;"},   {0x27, "&apos;"},   {0xA5, "&yen;"},
    {0xA4, "&curren;"}, {0xA2, "&cent;"},   {0xB1, "&plusmn;"}, {0xA1, "&iexcl;"},  {0xAB, "&laquo;"},
    {0xBB, "&raquo;"},  {0xB0, "&deg;"}};
static_assert(std::size(kEntities) == 72, "72 entities");

std::vector<QByteArray> Chars, Names;
}  // namespace

float GetScreenDpiFactor() {
  // A window's device context reports its monitor's resolution.
  int dpi = 0;
  TCustomForm* main = Application ? Application->MainForm() : nullptr;
  if (main && main->HandleAllocated()) dpi = main->Monitor().PixelsPerInch();
  if (dpi <= 0 && Screen) dpi = Screen->PixelsPerInch();
  if (dpi <= 0) dpi = 96;
  return float(dpi) / 96.0f;
}

float DpiFactor() { return Factor; }
int ScaledSize() { return Scaled17; }

void SaveAndDisableMenuAnimation() {
  SavedAnimation = QApplication::isEffectEnabled(Qt::UI_AnimateMenu);
  QApplication::setEffectEnabled(Qt::UI_AnimateMenu, false);
}

void RestoreMenuAnimation() { QApplication::setEffectEnabled(Qt::UI_AnimateMenu, SavedAnimation); }
bool SavedMenuAnimation() { return SavedAnimation; }

UINT RegisteredMessage(const QString& Name) {
  const auto it = Messages.find(Name);
  return it == Messages.end() ? 0 : it->second;
}
const QStringList& RegisteredMessageNames() { return MessageNames(); }

const QStringList& ButtonCaptions() {
  static const QStringList captions = {QString(),           QStringLiteral("OK"),     QStringLiteral("Cancel"),
                                       QStringLiteral("&Help"), QStringLiteral("&Yes"), QStringLiteral("&No"),
                                       QStringLiteral("&Close"), QStringLiteral("Abort"), QStringLiteral("&Retry"),
                                       QStringLiteral("&Ignore"), QStringLiteral("&All")};
  return captions;
}

const std::vector<QByteArray>& EntityCharacters() { return Chars; }
const std::vector<QByteArray>& EntityNames() { return Names; }
const TColorTones& EmptyTones1() { return Tones1; }
const TColorTones& EmptyTones2() { return Tones2; }
bool LayeredWindowsAvailable() { return true; }
bool Initialized() { return Started; }

void Initialization() {
  if (Started) return;
  Started = true;
  KitXPVS::BindKitXPVSThemeEntryPoints();
  ATXPVS::BindThemeEntryPoints();
  KitTBXPVS::BindTBXPVSThemeEntryPoints();
  Factor = GetScreenDpiFactor();
  Scaled17 = int(std::nearbyint(17.0 * double(Factor)));
  for (const QString& name : MessageNames()) Messages[name] = RegisterWindowMessage(name);
  Chars.clear();
  Names.clear();
  for (const TEntity& e : kEntities) {
    Chars.push_back(QByteArray(1, char(e.Char)));
    Names.push_back(QByteArray(e.Name));
  }
  Tones1 = EmptyColorTones();
  Tones2 = EmptyColorTones();
  SaveAndDisableMenuAnimation();
}

void Finalization() {
  if (!Started) return;
  Started = false;
  RestoreMenuAnimation();
  Chars.clear();
  Names.clear();
  KitXPVS::ReleaseKitXPVSThemeLibrary();
  ATXPVS::ReleaseThemeLibrary();
  while (KitTBXPVS::LoadCount() > 0) KitTBXPVS::ReleaseTBXPVSThemeLibrary();
}

}  // namespace KitToolkit
