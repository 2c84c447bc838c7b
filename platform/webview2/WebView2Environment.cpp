// Loader entry points, environments and the per-folder engine profiles.

#include <QApplication>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMetaObject>
#include <QStandardPaths>
#include <QThread>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QBuffer>
#include <QUuid>
#include <qtwebenginecoreglobal.h>
#include <set>

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/ProcessStart.h"
#include "platform/webview2/WebView2Internal.h"

namespace webview2 {

std::set<ViewHost*>& LiveViews() {
  static std::set<ViewHost*> views;
  return views;
}

namespace {

std::set<Profile*>& LiveProfiles() {
  static std::set<Profile*> profiles;
  return profiles;
}

std::map<QString, std::weak_ptr<Profile>>& ProfileRegistry() {
  static std::map<QString, std::weak_ptr<Profile>> registry;
  return registry;
}

// The engine must not outlive the application object: views and profiles
// still alive when it goes are deleted first, in that order.
void ShutdownEngineObjects() {
  const std::set<ViewHost*> views = LiveViews();
  for (ViewHost* view : views) view->Destroy();
  for (Profile* profile : LiveProfiles()) profile->Release();
}

void EnsureShutdownRoutine() {
  // Added after the engine's own start-up, so it runs before the engine's
  // own clean-up (later routines run first).
  static bool added = false;
  if (!added) {
    qAddPostRoutine(ShutdownEngineObjects);
    added = true;
  }
}

template <typename Fn>
void Post(Fn fn) {
  QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(fn), Qt::QueuedConnection);
}

QString Canonical(const QString& folder) {
  const QFileInfo info(folder);
  const QString canonical = info.canonicalFilePath();
  return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

QString HelperProcessPath(const QString& runtimeFolder) {
  const QByteArray explicitPath = qgetenv("QTWEBENGINEPROCESS_PATH");
  if (!explicitPath.isEmpty()) return QString::fromLocal8Bit(explicitPath);
  return runtimeFolder + QStringLiteral("/QtWebEngineProcess");
}

bool IsRuntimeFolder(const QString& folder) {
  if (folder.isEmpty()) return true;
  return Canonical(folder) == Canonical(CoreWebView2RuntimeFolder());
}

class CoreWebView2Environment : public ICoreWebView2Environment {
 public:
  explicit CoreWebView2Environment(std::shared_ptr<Profile> profile) : profile_(std::move(profile)) {}

  HRESULT CreateCoreWebView2Controller(QWidget* parentWindow,
                                       ICoreWebView2CreateCoreWebView2ControllerCompletedHandler handler) override {
    if (!handler) return E_POINTER;
    if (!parentWindow) return E_INVALIDARG;
    if (QThread::currentThread() != QCoreApplication::instance()->thread()) return RPC_E_WRONG_THREAD;
    CreateController(profile_, parentWindow, std::move(handler));
    return S_OK;
  }
  HRESULT get_BrowserVersionString(QString* versionInfo) override {
    if (!versionInfo) return E_POINTER;
    *versionInfo = QString::fromLatin1(qWebEngineChromiumVersion());
    return S_OK;
  }
  HRESULT get_UserDataFolder(QString* value) override {
    if (!value) return E_POINTER;
    *value = profile_->Folder();
    return S_OK;
  }

 private:
  std::shared_ptr<Profile> profile_;
};

}  // namespace

bool DocumentSchemeRegistered() {
  return QWebEngineUrlScheme::schemeByName(kDocumentScheme).name() == kDocumentScheme;
}

void DocumentSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
  const auto found = documents_.find(job->requestUrl().path());
  if (found == documents_.end()) {
    job->fail(QWebEngineUrlRequestJob::UrlNotFound);
    return;
  }
  auto* body = new QBuffer(job);
  body->setData(found->second);
  body->open(QIODevice::ReadOnly);
  job->reply("text/html;charset=utf-8", body);
}

QString DocumentSchemeHandler::Add(const QByteArray& html) {
  const QString token = QUuid::createUuid().toString(QUuid::Id128);
  documents_[token] = html;
  return token;
}

void DocumentSchemeHandler::Remove(const QString& token) { documents_.erase(token); }

Profile::Profile(const QString& folder) : folder_(folder) {
  // The storage name only has to be unique per folder; the folder itself is
  // set explicitly below.
  const QString name = QStringLiteral("tf-") + QString::fromLatin1(QCryptographicHash::hash(
                                                   folder.toUtf8(), QCryptographicHash::Sha256)
                                                   .toHex()
                                                   .left(24));
  engine_ = new QWebEngineProfile(name);
  engine_->setPersistentStoragePath(folder);
  engine_->setCachePath(folder + QStringLiteral("/Cache"));
  if (DocumentSchemeRegistered()) {
    documents_ = new DocumentSchemeHandler(engine_);
    engine_->installUrlSchemeHandler(kDocumentScheme, documents_);
  }
  LiveProfiles().insert(this);
  EnsureShutdownRoutine();
}

Profile::~Profile() {
  LiveProfiles().erase(this);
  auto& registry = ProfileRegistry();
  const auto found = registry.find(folder_);
  if (found != registry.end() && found->second.expired()) registry.erase(found);
  Release();
}

void Profile::Release() { delete engine_.data(); }

std::shared_ptr<Profile> AcquireProfile(const QString& folder) {
  auto& registry = ProfileRegistry();
  if (auto found = registry.find(folder); found != registry.end())
    if (auto profile = found->second.lock()) return profile;
  auto profile = std::make_shared<Profile>(folder);
  registry[folder] = profile;
  return profile;
}

}  // namespace webview2

using namespace webview2;

HRESULT CoreWebView2EnvironmentOptions::get_Language(QString* value) {
  if (!value) return E_POINTER;
  *value = language_;
  return S_OK;
}

HRESULT CoreWebView2EnvironmentOptions::put_Language(const QString& value) {
  language_ = value;
  return S_OK;
}

void RegisterCoreWebView2Schemes() {
  if (DocumentSchemeRegistered()) return;
  QWebEngineUrlScheme scheme(kDocumentScheme);
  scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
  // Local: pages from the network cannot load these documents.
  scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::LocalScheme);
  QWebEngineUrlScheme::registerScheme(scheme);
}

namespace {
// A process that runs the engine registers the document scheme as it is
// prepared (PrepareProcess with Engine set).
const bool kSchemesOnPreparation = AddProcessPreparation([](const TProcessOptions&) { RegisterCoreWebView2Schemes(); });
}  // namespace

QString CoreWebView2RuntimeFolder() {
  const QByteArray explicitPath = qgetenv("QTWEBENGINEPROCESS_PATH");
  if (!explicitPath.isEmpty()) return QFileInfo(QString::fromLocal8Bit(explicitPath)).absolutePath();
  return QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath);
}

bool IsCoreWebView2RuntimeAvailable() {
  const QFileInfo helper(HelperProcessPath(CoreWebView2RuntimeFolder()));
  return helper.isFile() && helper.isExecutable();
}

HRESULT GetAvailableCoreWebView2BrowserVersionString(const QString& browserExecutableFolder, QString* versionInfo) {
  if (!versionInfo) return E_POINTER;
  versionInfo->clear();
  if (!IsRuntimeFolder(browserExecutableFolder) || !IsCoreWebView2RuntimeAvailable())
    return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
  *versionInfo = QString::fromLatin1(qWebEngineChromiumVersion());
  return S_OK;
}

HRESULT CreateCoreWebView2EnvironmentWithOptions(
    const QString& browserExecutableFolder, const QString& userDataFolder,
    ICoreWebView2EnvironmentOptions* environmentOptions,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler environmentCreatedHandler) {
  if (!environmentCreatedHandler) return E_POINTER;
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return HRESULT_FROM_WIN32(ERROR_INVALID_STATE);
  if (QThread::currentThread() != QCoreApplication::instance()->thread()) return RPC_E_WRONG_THREAD;
  if (!IsRuntimeFolder(browserExecutableFolder) || !IsCoreWebView2RuntimeAvailable())
    return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);

  QString folder = userDataFolder;
  if (folder.isEmpty())
    folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/WebView2");
  folder = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
  if (!QFileInfo(folder).isDir()) {
    if (!QDir().mkpath(folder)) return E_ACCESSDENIED;
    // The folder holds cookies and the cache: owner only.
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  const QFileInfo info(folder);
  if (!info.isDir() || !info.isWritable()) return E_ACCESSDENIED;

  auto profile = AcquireProfile(Canonical(folder));
  if (environmentOptions) {
    QString language;
    if (SUCCEEDED(environmentOptions->get_Language(&language)) && !language.isEmpty())
      profile->Engine()->setHttpAcceptLanguage(language);
  }
  auto environment = std::make_shared<CoreWebView2Environment>(std::move(profile));
  Post([handler = std::move(environmentCreatedHandler), environment] { handler(S_OK, environment); });
  return S_OK;
}

HRESULT CreateCoreWebView2Environment(ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler environmentCreatedHandler) {
  return CreateCoreWebView2EnvironmentWithOptions(QString(), QString(), nullptr, std::move(environmentCreatedHandler));
}

namespace {
std::function<void(std::exception_ptr)>& ExceptionHandler() {
  static std::function<void(std::exception_ptr)> handler;
  return handler;
}
}  // namespace

void SetCoreWebView2ExceptionHandler(std::function<void(std::exception_ptr)> handler) {
  ExceptionHandler() = std::move(handler);
}

void webview2::ReportHandlerException(std::exception_ptr exception) {
  if (const auto& handler = ExceptionHandler()) {
    handler(exception);
    return;
  }
  ApplicationHandleException(exception);
}
