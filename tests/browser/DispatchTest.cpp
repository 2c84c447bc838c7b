// Host-object dispatch: identifiers, names, property reads and writes,
// class-typed properties and child components, errors.

#include <gtest/gtest.h>

#include "browser/KitWebBrowser.Win.h"
#include "platform/rtl/Classes.h"

namespace {

class TDispatchInner : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TDispatchInner)
  QString Caption = QStringLiteral("inner");
};

TF_PUBLISHED(TDispatchInner, TPersistent) {
  return TPublished<TDispatchInner>().String("Caption", &TDispatchInner::Caption, &TDispatchInner::Caption);
}

class TDispatchSample : public TComponent {
 public:
  TF_DECLARE_PUBLISHED(TDispatchSample)
  explicit TDispatchSample(TComponent* AOwner) : TComponent(AOwner) {}
  ~TDispatchSample() override {
    if (Freed) *Freed = true;
  }
  QString Text() const { return FText; }
  void SetText(const QString& AValue) { FText = AValue; }
  int Count() const { return FCount; }
  void SetCount(int AValue) {
    if (AValue < 0) throw EConvertError(QStringLiteral("Count cannot be negative"));
    FCount = AValue;
  }
  bool Flag = false;
  TDispatchInner* Inner() const { return FInner.get(); }
  void Refresh() {}
  bool* Freed = nullptr;

 private:
  QString FText;
  int FCount = 0;
  std::unique_ptr<TDispatchInner> FInner = std::make_unique<TDispatchInner>();
};

TF_PUBLISHED(TDispatchSample, TComponent) {
  return TPublished<TDispatchSample>()
      .String("Text", &TDispatchSample::Text, &TDispatchSample::SetText)
      .Integer("Count", &TDispatchSample::Count, &TDispatchSample::SetCount)
      .Boolean("Flag", &TDispatchSample::Flag, &TDispatchSample::Flag)
      .Object("Inner", &TDispatchSample::Inner)
      .Method("Refresh", &TDispatchSample::Refresh);
}

DISPID IdOf(IDispatch& d, const QString& name) {
  QList<DISPID> ids;
  d.GetIDsOfNames({name}, &ids);
  return ids.value(0, DISPID_UNKNOWN);
}

HRESULT Put(IDispatch& d, DISPID id, const QVariant& value, EXCEPINFO* info = nullptr,
            QList<DISPID> named = {DISPID_PROPERTYPUT}) {
  DISPPARAMS params;
  params.rgvarg = {value};
  params.rgdispidNamedArgs = named;
  return d.Invoke(id, DISPATCH_PROPERTYPUT, &params, nullptr, info, nullptr);
}

QVariant Get(IDispatch& d, DISPID id, HRESULT* hr = nullptr, QVariantList args = {}) {
  DISPPARAMS params;
  params.rgvarg = args;
  QVariant result;
  const HRESULT r = d.Invoke(id, DISPATCH_PROPERTYGET, &params, &result, nullptr, nullptr);
  if (hr) *hr = r;
  return result;
}

}  // namespace

TEST(KitObjectDispatch, HandsOutStableIdentifiersFrom100) {
  TDispatchSample sample(nullptr);
  TKitObjectDispatch d(&sample, false);
  EXPECT_EQ(IdOf(d, "Text"), 100);
  EXPECT_EQ(IdOf(d, "text"), 100) << "names ignore case";
  EXPECT_EQ(IdOf(d, "COUNT"), 101);
  EXPECT_EQ(IdOf(d, "Text"), 100);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(IdOf(d, "Flag"), 102) << "the table grows without renumbering";

  QList<DISPID> ids;
  EXPECT_EQ(d.GetIDsOfNames({"Refresh", "x"}, &ids), DISP_E_UNKNOWNNAME) << "methods are not exposed";
  EXPECT_EQ(ids, QList<DISPID>({DISPID_UNKNOWN, DISPID_UNKNOWN}));
  EXPECT_EQ(d.GetIDsOfNames({"Missing"}, &ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(d.GetIDsOfNames({"Text", "ignored"}, &ids), S_OK);
  EXPECT_EQ(ids, QList<DISPID>({100, DISPID_UNKNOWN}));
  UINT count = 9;
  EXPECT_EQ(d.GetTypeInfoCount(&count), E_NOTIMPL);
}

TEST(KitObjectDispatch, ReadsAndWritesProperties) {
  TDispatchSample sample(nullptr);
  TKitObjectDispatch d(&sample, false);
  const DISPID text = IdOf(d, "Text"), count = IdOf(d, "Count"), flag = IdOf(d, "Flag");
  EXPECT_EQ(Put(d, text, QStringLiteral("Dupré & fils")), S_OK);
  EXPECT_EQ(sample.Text(), QStringLiteral("Dupré & fils"));
  EXPECT_EQ(Put(d, count, 7), S_OK);
  EXPECT_EQ(Put(d, count, QStringLiteral("12")), S_OK) << "text converts";
  EXPECT_EQ(Put(d, flag, true), S_OK);
  HRESULT hr = E_FAIL;
  EXPECT_EQ(Get(d, text, &hr).toString(), QStringLiteral("Dupré & fils"));
  EXPECT_EQ(hr, S_OK);
  EXPECT_EQ(Get(d, count).toInt(), 12);
  EXPECT_TRUE(Get(d, flag).toBool());

  struct {
    const char* What;
    HRESULT Expected;
    HRESULT Got;
  } errors[] = {
      {"unknown identifier", DISP_E_MEMBERNOTFOUND, Put(d, 150, 1)},
      {"identifier below 100", DISP_E_MEMBERNOTFOUND, Put(d, 99, 1)},
      {"write without the put name", DISP_E_MEMBERNOTFOUND, Put(d, text, QStringLiteral("x"), nullptr, {})},
      {"write with another name", DISP_E_MEMBERNOTFOUND, Put(d, text, QStringLiteral("x"), nullptr, {5})},
      {"read with an argument", DISP_E_BADPARAMCOUNT, (Get(d, text, &hr, {1}), hr)},
  };
  for (const auto& e : errors) EXPECT_EQ(e.Got, e.Expected) << e.What;
  EXPECT_EQ(sample.Text(), QStringLiteral("Dupré & fils"));
}

TEST(KitObjectDispatch, ReportsWhatSettersRaise) {
  TDispatchSample sample(nullptr);
  TKitObjectDispatch d(&sample, false);
  EXCEPINFO info;
  info.bstrSource = QStringLiteral("stale");
  EXPECT_EQ(Put(d, IdOf(d, "Count"), -1, &info), DISP_E_EXCEPTION);
  EXPECT_EQ(info.bstrSource, QStringLiteral("TKitObjectDispatch"));
  EXPECT_EQ(info.bstrDescription, QStringLiteral("Count cannot be negative"));
  EXPECT_EQ(info.scode, E_FAIL);
  EXPECT_EQ(Put(d, IdOf(d, "Count"), QStringLiteral("douze"), &info), DISP_E_EXCEPTION);
  EXPECT_FALSE(info.bstrDescription.isEmpty());
  EXPECT_EQ(sample.Count(), 0);
}

TEST(KitObjectDispatch, ReachesObjectsAndChildComponentsThroughNewDispatches) {
  TDispatchSample sample(nullptr);
  auto* child = new TDispatchSample(&sample);
  child->SetName(QStringLiteral("Child"));
  child->SetText(QStringLiteral("enfant"));
  auto root = std::make_shared<TKitObjectDispatch>(&sample, false);

  auto inner = Get(*root, IdOf(*root, "Inner")).value<std::shared_ptr<IDispatch>>();
  ASSERT_TRUE(inner);
  const DISPID caption = IdOf(*inner, "Caption");
  EXPECT_EQ(caption, 100) << "a new dispatch numbers from 100";
  EXPECT_EQ(Get(*inner, caption).toString(), QStringLiteral("inner"));
  EXPECT_EQ(Put(*inner, caption, QStringLiteral("changé")), S_OK);
  EXPECT_EQ(sample.Inner()->Caption, QStringLiteral("changé"));

  auto sub = Get(*root, IdOf(*root, "child")).value<std::shared_ptr<IDispatch>>();
  ASSERT_TRUE(sub);
  EXPECT_EQ(Get(*sub, IdOf(*sub, "Text")).toString(), QStringLiteral("enfant"));

  // Once the root frees its object, what was reached through it is dead too.
  root->FreeInstance();
  EXPECT_EQ(Get(*inner, caption, nullptr).isValid(), false);
  HRESULT hr = S_OK;
  Get(*sub, 100, &hr);
  EXPECT_EQ(hr, DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Put(*root, 100, QStringLiteral("x")), DISP_E_MEMBERNOTFOUND);
}

TEST(KitObjectDispatch, OwnedObjectsGoWithTheDispatch) {
  bool freed = false;
  auto* sample = new TDispatchSample(nullptr);
  sample->Freed = &freed;
  { TKitObjectDispatch d(sample, true); }
  EXPECT_TRUE(freed);

  freed = false;
  TDispatchSample kept(nullptr);
  kept.Freed = &freed;
  {
    TKitObjectDispatch d(&kept, true);
    d.Disown();
  }
  EXPECT_FALSE(freed);
  kept.Freed = nullptr;
}

TEST(KitObjectDispatch, TheBridgeObjectPublishesObjectMessage) {
  TCoreWebView2RemoteObject remote(nullptr);
  TKitObjectDispatch d(&remote, false);
  EXPECT_EQ(IdOf(d, "objectmessage"), 100);
  EXPECT_EQ(Put(d, 100, QStringLiteral("https://example.invalid/x")), S_OK);
  EXPECT_EQ(remote.ObjectMessage(), QStringLiteral("https://example.invalid/x"));
}
