// Two-phase construction: a descendant's InitializeControl, CanCreateBrowser
// and BrowserCreated run once, after its own constructor, on every creation
// path (Create, CreateUnique, the class registry, component streaming).

#include <gtest/gtest.h>

#include <functional>

#include "browser/KitCustomControl.h"
#include "browser/KitWebBrowser.h"
#include "platform/rtl/Classes.h"
#include "platform/vcl/Forms.h"
#include "tests/browser/FakeEngine.h"

// Published, so that it can be created by name.
class TInitProbe : public TKitCustomControl {
 public:
  TF_DECLARE_PUBLISHED(TInitProbe)
  explicit TInitProbe(TComponent* AOwner) : TKitCustomControl(AOwner), FConstructorDone(true) {}
  int Initialized = 0;
  bool SawItsConstructor = false;  // InitializeControl ran after the derived constructor

 protected:
  void InitializeControl() override {
    ++Initialized;
    SawItsConstructor = FConstructorDone;
  }

 private:
  bool FConstructorDone = false;
};

TF_PUBLISHED(TInitProbe, TComponent) { return TPublished<TInitProbe>(); }

namespace {

class TBrowserProbe : public TKitWebBrowser {
 public:
  explicit TBrowserProbe(TComponent* AOwner, bool AWantsEngine = true)
      : TKitWebBrowser(AOwner), FWantsEngine(AWantsEngine) {}
  QStringList Log;

 protected:
  bool CanCreateBrowser() override {
    Log << QStringLiteral("CanCreateBrowser");
    return FWantsEngine;
  }
  void BrowserCreated() override { Log << (WebBrowser() ? QStringLiteral("created with engine") : QStringLiteral("created without engine")); }

 private:
  bool FWantsEngine;
};

TEST(TwoPhaseConstruction, InitializeControlRunsOnceAfterTheDerivedConstructorOnEveryPath) {
  TComponent owner(nullptr);
  struct Case {
    const char* Path;
    std::function<TInitProbe*()> Make;  // the probe, owned by owner or by Kept
  };
  std::unique_ptr<TObject> kept;
  const Case cases[] = {
      {"Create", [&] { return Create<TInitProbe>(&owner); }},
      {"CreateUnique",
       [&] {
         auto p = CreateUnique<TInitProbe>(nullptr);
         TInitProbe* raw = p.get();
         kept = std::move(p);
         return raw;
       }},
      {"registry, owned", [&] { return dynamic_cast<TInitProbe*>(ClassInfo<TInitProbe>()->CreateOwned(&owner)); }},
      {"registry, by name",
       [&] {
         kept = GetClass(QStringLiteral("TInitProbe"))->Create();
         return dynamic_cast<TInitProbe*>(kept.get());
       }},
      {"component streaming",
       [&] {
         TComponent source(nullptr);
         Create<TInitProbe>(&source)->SetName(QStringLiteral("Probe"));
         TBytesStream stream;
         stream.WriteComponent(&source);
         stream.SetPosition(0);
         stream.ReadComponent(&owner);
         return dynamic_cast<TInitProbe*>(owner.FindComponent(QStringLiteral("Probe")));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Path);
    TInitProbe* probe = c.Make();
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(probe->Initialized, 1);
    EXPECT_TRUE(probe->SawItsConstructor);
    probe->AfterConstruction();  // a second call changes nothing
    EXPECT_EQ(probe->Initialized, 1);
  }
}

TEST(TwoPhaseConstruction, TheBrowserAsksItsDescendantAndTellsItOnce) {
  enginetest::FakeServiceScope scope(std::make_shared<enginetest::FakeService>());
  auto browser = CreateUnique<TBrowserProbe>(nullptr);
  EXPECT_EQ(browser->Log, (QStringList{"CanCreateBrowser", "created with engine"}));
  EXPECT_TRUE(browser->WebBrowser());
  browser->AfterConstruction();
  EXPECT_EQ(browser->Log.size(), 2);

  // A descendant that wants no engine gets none, and hears so.
  scope.Service->Last.reset();
  TForm form(nullptr);
  auto* bare = Create<TBrowserProbe>(&form, false);
  EXPECT_EQ(bare->Log, (QStringList{"CanCreateBrowser", "created without engine"}));
  EXPECT_FALSE(bare->WebBrowser());
  EXPECT_EQ(scope.Service->Last, nullptr);
}

TEST(TwoPhaseConstruction, AFailingSecondPhaseTakesTheComponentBackFromItsOwner) {
  class TFailing : public TKitCustomControl {
   public:
    using TKitCustomControl::TKitCustomControl;

   protected:
    void InitializeControl() override { throw EInvalidOperation(QStringLiteral("cannot initialize")); }
  };
  TComponent owner(nullptr);
  EXPECT_THROW(Create<TFailing>(&owner), EInvalidOperation);
  EXPECT_EQ(owner.ComponentCount(), 0);
}

}  // namespace
