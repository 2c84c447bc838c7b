#pragma once
// A scripted platform browser and the service that makes it, registered in
// place of the engine's service for the lifetime of a FakeServiceScope.
// Scripts wait until the test answers them; Initialize gives the control a
// "view" at once.

#include <QString>
#include <QStringList>
#include <deque>
#include <memory>

#include "browser/KitWebBrowser.h"

namespace enginetest {

class FakeWebBrowser : public TObject, public IKitCustomWebBrowser {
 public:
  explicit FakeWebBrowser(TKitCustomWebBrowser* AControl) : Control(AControl) {}

  struct Script {
    QString Text;
    TKitWebBrowserJavaScriptCompleteEvent Complete;
    TNotifyEvent Callback;
  };

  TKitCustomWebBrowser* Control;
  QStringList Calls;  // every operation, in order, with its argument
  std::deque<Script> Scripts;  // started and not yet answered
  QStringList Started;         // every script text started
  bool HasView = false;
  QString Url;
  QString Agent;
  bool ContextMenu = true;

  // Answers the oldest running script: its completion, then its callback.
  void Answer(const QString& AJson) {
    if (Scripts.empty()) return;
    Script s = std::move(Scripts.front());
    Scripts.pop_front();
    if (s.Complete) s.Complete(AJson);
    if (s.Callback) s.Callback(this);
  }
  // Answers the newest running script.
  void AnswerLatest(const QString& AJson) {
    if (Scripts.empty()) return;
    Script s = std::move(Scripts.back());
    Scripts.pop_back();
    if (s.Complete) s.Complete(AJson);
    if (s.Callback) s.Callback(this);
  }

  void SetUserAgent(const QString& AValue) override { Calls << "SetUserAgent " + AValue; Agent = AValue; }
  void SetURL(const QString& AValue) override { Calls << "SetURL " + AValue; Url = AValue; }
  void SetExternalBrowser(bool) override {}
  void SetEnableContextMenu(bool AValue) override { ContextMenu = AValue; }
  void SetEnableShowDebugConsole(bool) override {}
  void SetEnableAcceleratorKeys(bool) override {}
  void SetCacheFolderName(const QString&) override {}
  void SetAutoClearCache(bool) override {}
  void SetCacheFolder(const QString&) override {}
  void Navigate(const QString& AURL) override { Calls << "Navigate " + AURL; }
  void Navigate() override { Calls << "Navigate"; }
  void LoadHTML(const QString& AHTML) override { Calls << "LoadHTML " + AHTML; }
  void LoadFile(const QString& AFile) override { Calls << "LoadFile " + AFile; }
  void GoForward() override { Calls << "GoForward"; }
  void GoBack() override { Calls << "GoBack"; }
  void Reload() override { Calls << "Reload"; }
  void Close() override {}
  void StopLoading() override { Calls << "StopLoading"; }
  void AddBridge(const QString& AName, TObject* AObject) override {
    Calls << "AddBridge " + AName;
    Bridges.emplace_back(AObject);
  }
  void RemoveBridge(const QString& AName) override { Calls << "RemoveBridge " + AName; }
  void UpdateBounds() override {}
  void CaptureScreenShot() override { Calls << "CaptureScreenShot"; }
  void UpdateVisible() override {}
  void UpdateEnabled() override { Calls << "UpdateEnabled"; }
  void BeforeChangeParent() override {}
  void Initialize() override {
    Calls << "Initialize";
    if (!HasView) {
      HasView = true;
      Control->Initialized();
    }
  }
  void DeInitialize() override {
    Calls << "DeInitialize";
    HasView = false;
  }
  void ClearCache() override {}
  void ShowDebugConsole() override {}
  QString GetUserAgent() override { return Agent; }
  QString GetURL() override { return Url; }
  bool GetExternalBrowser() override { return false; }
  bool GetEnableContextMenu() override { return ContextMenu; }
  bool GetEnableShowDebugConsole() override { return true; }
  bool GetEnableAcceleratorKeys() override { return true; }
  void ExecuteJavaScript(const QString& AScript, TKitWebBrowserJavaScriptCompleteEvent ACompleteEvent,
                         TNotifyEvent ACallback) override {
    if (!HasView) return;
    Started << AScript;
    Scripts.push_back({AScript, std::move(ACompleteEvent), std::move(ACallback)});
  }
  void* NativeEnvironment() override { return nullptr; }
  void* NativeBrowser() override { return nullptr; }
  std::shared_ptr<IUnknown> GetWebBrowserInstance() override { return nullptr; }
  bool CanGoBack() override { return false; }
  bool CanGoForward() override { return false; }
  bool SpareQuery() override { return false; }
  bool IsQPZBrowser() override { return false; }
  QString GetCacheFolderName() override { return QString(); }
  bool GetAutoClearCache() override { return false; }
  QString GetCacheFolder() override { return QString(); }

  std::vector<std::unique_ptr<TObject>> Bridges;
};

class FakeService : public TKitWebBrowserFactoryService {
 public:
  void DeleteCookies() override { ++CookieDeletions; }
  int CookieDeletions = 0;
  std::shared_ptr<FakeWebBrowser> Last;

 protected:
  std::shared_ptr<IKitCustomWebBrowser> DoCreateWebBrowser(TKitCustomWebBrowser* AValue) override {
    Last = std::make_shared<FakeWebBrowser>(AValue);
    return Last;
  }
};

// Puts the fake service (or, with null, no service at all) in place of the
// registered one and restores that one afterwards.
class FakeServiceScope {
 public:
  explicit FakeServiceScope(std::shared_ptr<FakeService> AService) : Service(std::move(AService)) {
    TKitWebBrowserPlatformServices* registry = TKitWebBrowserPlatformServices::Current();
    Saved = registry->GetPlatformService(IKitWebBrowserService::IID);
    registry->RemovePlatformService(IKitWebBrowserService::IID);
    if (Service) registry->AddPlatformService(IKitWebBrowserService::IID, Service);
  }
  ~FakeServiceScope() {
    TKitWebBrowserPlatformServices* registry = TKitWebBrowserPlatformServices::Current();
    registry->RemovePlatformService(IKitWebBrowserService::IID);
    if (Saved) registry->AddPlatformService(IKitWebBrowserService::IID, Saved);
  }
  std::shared_ptr<FakeService> Service;

 private:
  std::shared_ptr<IKitInterface> Saved;
};

}  // namespace enginetest
