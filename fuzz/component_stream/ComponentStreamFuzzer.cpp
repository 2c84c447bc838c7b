// Component streaming: hostile "TPF0" streams read by TReader. The stream
// names the classes to create; the registered ones here hold a property of
// every kind the reader sets, a nested persistent object, a collection,
// string lists and pictures (whose data go through the picture loaders),
// defined and binary properties, references and events, plus the program's
// own streamed component (TWebData and its pages).
//
// Properties checked: a component read whole is written by TWriter into a
// stream that reads back; written again, read again and written a third
// time, it gives the same bytes.

#include <QByteArray>
#include <QList>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <memory>

#include "app/WebData.h"
#include "fuzz/support/FuzzSupport.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/Graphics.h"

enum TFuzzKind { fkNone, fkFirst, fkSecond };
TF_ENUM_NAMES(TFuzzKind, fkNone, fkFirst, fkSecond)
enum TFuzzOption { foAlpha, foBeta, foGamma };
TF_ENUM_NAMES(TFuzzOption, foAlpha, foBeta, foGamma)
using TFuzzOptions = TSet<TFuzzOption>;

class TFuzzFont : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TFuzzFont)
  QString FName = QStringLiteral("Sans");
  int32_t FSize = 8;
  TFuzzOptions FStyle;
};
TF_PUBLISHED(TFuzzFont, TPersistent) {
  return TPublished<TFuzzFont>()
      .String("Name", &TFuzzFont::FName, &TFuzzFont::FName)
      .Integer("Size", &TFuzzFont::FSize, &TFuzzFont::FSize)
      .Default(8)
      .Set("Style", &TFuzzFont::FStyle, &TFuzzFont::FStyle)
      .Default(TFuzzOptions());
}

class TFuzzItem : public TCollectionItem {
 public:
  TF_DECLARE_PUBLISHED(TFuzzItem)
  explicit TFuzzItem(TCollection* Collection) : TCollectionItem(Collection) {}
  QString FCaption;
  int32_t FValue = 0;
  double FWhen = 0;
};
TF_PUBLISHED(TFuzzItem, TCollectionItem) {
  return TPublished<TFuzzItem>()
      .String("Caption", &TFuzzItem::FCaption, &TFuzzItem::FCaption)
      .Integer("Value", &TFuzzItem::FValue, &TFuzzItem::FValue)
      .Default(0)
      .DateTime("When", &TFuzzItem::FWhen, &TFuzzItem::FWhen);
}

class TFuzzComponent : public TComponent {
 public:
  TF_DECLARE_PUBLISHED(TFuzzComponent)
  explicit TFuzzComponent(TComponent* AOwner) : TComponent(AOwner) {
    FItems = TOwnedCollection::Create<TFuzzItem>(this);
  }
  TFuzzFont* Font() const { return FFont.get(); }
  TOwnedCollection* Items() const { return FItems.get(); }
  TStringList* Lines() const { return FLines.get(); }
  void SetLines(TStringList* v) { FLines->Assign(v); }
  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* v) { FPicture->Assign(v); }
  void Ping(TObject*) {}

  int32_t FCount = 0;
  int8_t FSmall = 0;
  uint32_t FWide = 0;
  int64_t FBig = 0;
  double FRatio = 0;
  float FScale = 0;
  double FWhen = 0;
  QChar FLetter;
  QString FText;
  bool FFlag = false;
  TFuzzKind FKind = fkNone;
  TFuzzOptions FOptions;
  QVariant FData;
  TComponent* FBuddy = nullptr;
  TNotifyEvent OnPing;
  QByteArray FBlob;
  QList<int> FExtra;

 protected:
  void DefineProperties(TFiler* Filer) override {
    TComponent::DefineProperties(Filer);
    Filer->DefineBinaryProperty(
        QStringLiteral("Blob"),
        [this](TStream* s) {
          FBlob.resize(static_cast<qsizetype>(s->Size()));
          s->ReadBuffer(FBlob.data(), FBlob.size());
        },
        [this](TStream* s) { s->WriteBuffer(FBlob.constData(), FBlob.size()); }, !FBlob.isEmpty());
    Filer->DefineProperty(
        QStringLiteral("Extra"),
        [this](TReader* r) {
          FExtra.clear();
          r->ReadListBegin();
          while (!r->EndOfList()) FExtra << r->ReadInteger();
          r->ReadListEnd();
        },
        [this](TWriter* w) {
          w->WriteListBegin();
          for (int v : FExtra) w->WriteInteger(v);
          w->WriteListEnd();
        },
        !FExtra.isEmpty());
  }

 private:
  std::unique_ptr<TFuzzFont> FFont = std::make_unique<TFuzzFont>();
  std::unique_ptr<TOwnedCollection> FItems;
  std::unique_ptr<TStringList> FLines = std::make_unique<TStringList>();
  std::unique_ptr<TPicture> FPicture = std::make_unique<TPicture>();
};

TF_PUBLISHED(TFuzzComponent, TComponent) {
  using C = TFuzzComponent;
  return TPublished<C>()
      .Integer("Count", &C::FCount, &C::FCount)
      .Default(0)
      .Integer("Small", &C::FSmall, &C::FSmall)
      .Default(0)
      .Integer("Wide", &C::FWide, &C::FWide)
      .Default(0)
      .Int64("Big", &C::FBig, &C::FBig)
      .Float("Ratio", &C::FRatio, &C::FRatio)
      .Float("Scale", &C::FScale, &C::FScale)
      .DateTime("When", &C::FWhen, &C::FWhen)
      .Char("Letter", &C::FLetter, &C::FLetter)
      .Default(0)
      .String("Text", &C::FText, &C::FText)
      .Boolean("Flag", &C::FFlag, &C::FFlag)
      .Default(false)
      .Enum("Kind", &C::FKind, &C::FKind)
      .Default(fkNone)
      .Set("Options", &C::FOptions, &C::FOptions)
      .Default(TFuzzOptions())
      .Variant("Data", &C::FData, &C::FData)
      .Object("Font", &C::Font)
      .Object("Items", &C::Items)
      .Object("Lines", &C::Lines, &C::SetLines)
      .Object("Picture", &C::Picture, &C::SetPicture)
      .Object("Buddy", &C::FBuddy, &C::FBuddy)
      .Event("OnPing", &C::OnPing)
      .Method("Ping", &C::Ping);
}

namespace {

QByteArray Write(TComponent* Component) {
  TBytesStream stream;
  stream.WriteComponent(Component);
  return stream.Bytes();
}

std::unique_ptr<TComponent> Read(const QByteArray& Bytes) {
  TBytesStream stream(Bytes);
  return stream.ReadComponent();
}

// The seed corpus: streams written by TWriter.
void WriteSeeds(const QString& AFolder) {
  TFuzzComponent root(nullptr);
  root.SetName(QStringLiteral("Root"));
  fuzz::WriteSeed(AFolder, QStringLiteral("default.tpf"), Write(&root));

  root.FCount = 300;
  root.FSmall = -5;
  root.FWide = 4000000000u;
  root.FBig = -(int64_t(1) << 40);
  root.FRatio = 1.0 / 3;
  root.FScale = 2.5f;
  root.FWhen = 45000.5;
  root.FLetter = QChar(0x20AC);
  root.FText = QStringLiteral("text \u00e9t\u00e9 with a long tail ") + QString(300, u'x');
  root.FFlag = true;
  root.FKind = fkSecond;
  root.FOptions = TFuzzOptions{foAlpha, foGamma};
  root.FData = QVariant(QStringLiteral("variant"));
  root.Font()->FName = QStringLiteral("Serif");
  root.Font()->FStyle = TFuzzOptions{foBeta};
  auto* item = static_cast<TFuzzItem*>(root.Items()->Add());
  item->FCaption = QStringLiteral("first");
  item->FValue = 7;
  root.Items()->Add();
  root.Lines()->Add(QStringLiteral("line one"));
  root.Lines()->Add(QString());
  TBitmap bitmap(3, 2);
  root.Picture()->Assign(&bitmap);
  root.FBlob = QByteArray("\x00\x01\x02binary", 9);
  root.FExtra = {1, -2, 70000};
  root.OnPing = [&root](TObject* s) { root.Ping(s); };
  auto* child = new TFuzzComponent(&root);
  child->SetName(QStringLiteral("Child"));
  child->FText = QStringLiteral("child");
  root.FBuddy = child;
  child->FBuddy = &root;
  fuzz::WriteSeed(AFolder, QStringLiteral("every-kind.tpf"), Write(&root));

  TWebData web(nullptr);
  web.SetName(QStringLiteral("wbdata"));
  web.SetAgent(QStringLiteral("Agent X"));
  web.SetProxy(QStringLiteral("proxy.example:8080"));
  web.SetImageType(WebData::itPNG);
  web.SetHyperLinkType(QStringLiteral("dir"));
  web.SetTimeout(30);
  TWebDataItem* page = web.Data()->Add();
  page->SetURL(QStringLiteral("http://www.tallowfinch.example/files/ckeckver.php?version=x.exe "));
  page->SetScanFirst(QStringLiteral("<body>"));
  page->SetScanTo(QStringLiteral("</body>"));
  page->SetTag(7);
  web.Data()->Add()->SetEnable(false);
  fuzz::WriteSeed(AFolder, QStringLiteral("webdata.tpf"), Write(&web));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::QuietMessages();
  fuzz::StartGuiApplication();
  RegisterClasses({ClassInfo<TFuzzComponent>(), ClassInfo<TFuzzItem>(), ClassInfo<TWebData>(),
                   ClassInfo<TWebDataItem>()});
  fuzz::WriteSeedsWhenAsked(*argc, *argv, WriteSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  std::unique_ptr<TComponent> component;
  fuzz::Refusable([&] { component = Read(fuzz::Bytes(Data, Size)); });
  if (component) {
    // The first write may leave out values the stream had set: like the
    // framework, the writer leaves out an empty text, which a component
    // whose constructor sets a text (TWebData's Agent) then reads as that
    // text. From the second write on the bytes are stable.
    QByteArray written = Write(component.get());
    for (int round = 0; round < 2; ++round) {
      std::unique_ptr<TComponent> again;
      try {
        again = Read(written);
      } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n%s\n", qPrintable(e.Message()), written.toHex(' ').constData());
        fuzz::Check(false, "a component written by TWriter does not read back");
      }
      const QByteArray rewritten = Write(again.get());
      if (round == 1 && rewritten != written) {
        std::fprintf(stderr, "written:   %s\nrewritten: %s\n", written.toHex(' ').constData(),
                     rewritten.toHex(' ').constData());
        fuzz::Check(false, "a component written by TWriter reads back changed");
      }
      written = rewritten;
    }
  }

  // Into an existing root, as a form reads its resource.
  fuzz::Refusable([&] {
    TFuzzComponent root(nullptr);
    TBytesStream stream(fuzz::Bytes(Data, Size));
    stream.ReadComponent(&root);
  });
  return 0;
}
