#include "app/WebData.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Threads.h"
#include "platform/vcl/Forms.h"
#include "platform/win32/Shell.h"

namespace {

// The component's version number: its four bytes, highest first, form the
// version text.
constexpr uint32_t kWebDataVersion = 0x01040000;
constexpr DWORD kBlockSize = 4096;

// S in upper case, one character for one, so that positions in the result
// are positions in S.
QString UpperSameLength(const QString& s) {
  QString upper(s.size(), Qt::Uninitialized);
  QChar* out = upper.data();
  for (qsizetype i = 0; i < s.size(); ++i) out[i] = s[i].toUpper();
  return upper;
}

// 0-based index of a marker in S from From, -1 when absent; an empty marker
// is never found.
qsizetype FindMarker(const QString& s, const QString& marker, qsizetype from = 0) {
  return marker.isEmpty() ? -1 : s.indexOf(marker, from);
}

// Closes a WinINet handle when it goes out of scope.
struct TInternetHandle {
  HINTERNET Handle;
  ~TInternetHandle() {
    if (Handle) InternetCloseHandle(Handle);
  }
};

LPCWSTR Wide(const QString& s) { return reinterpret_cast<LPCWSTR>(s.utf16()); }

}  // namespace

QString WithTrailingBackslash(const QString& S) {
  // Named after the Windows delimiter; here it appends this platform's "/".
  if (S.isEmpty() || S.endsWith(PathDelim)) return S;
  return S + PathDelim;
}

// ---------------------------------------------------------------------------
// TWebDataItem

TF_PUBLISHED(TWebDataItem, TCollectionItem) {
  return TPublished<TWebDataItem>()
      .Boolean("AutoDelete", &TWebDataItem::AutoDelete, &TWebDataItem::SetAutoDelete).Default(true)
      .Boolean("Enable", &TWebDataItem::Enable, &TWebDataItem::SetEnable).Default(true)
      .String("URL", &TWebDataItem::URL, &TWebDataItem::SetURL)
      .String("ScanFirst", &TWebDataItem::ScanFirst, &TWebDataItem::SetScanFirst)
      .String("ScanFrom", &TWebDataItem::ScanFrom, &TWebDataItem::SetScanFrom)
      .String("ScanTo", &TWebDataItem::ScanTo, &TWebDataItem::SetScanTo)
      .Integer("Tag", &TWebDataItem::Tag, &TWebDataItem::SetTag).Default(0);
}

TWebDataItem::TWebDataItem(TCollection* Collection) : TCollectionItem(Collection) {}

void TWebDataItem::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TWebDataItem*>(Source);
  if (!source) {
    TCollectionItem::Assign(Source);
    return;
  }
  if (source == this) return;
  for (const TPropInfo* prop : ClassInfo<TWebDataItem>()->PropList()) {
    if (!prop->HasGetter() || !prop->HasSetter()) continue;
    if (prop->Kind() == tkUString)
      prop->SetStr(this, prop->GetStr(source));
    else
      prop->SetOrd(this, prop->GetOrd(source));
  }
}

// ---------------------------------------------------------------------------
// TWebDataCollection

TF_PUBLISHED(TWebDataCollection, TOwnedCollection) { return TPublished<TWebDataCollection>(); }

TWebDataCollection::TWebDataCollection(TWebData* AOwner)
    : TOwnedCollection(AOwner, CollectionItemClassOf<TWebDataItem>()) {}

// ---------------------------------------------------------------------------
// The worker thread

// What the component and its worker threads share: the number of workers
// still collecting, and the component while it exists. The destructor waits
// for the count to reach 0; a thread that ends later finds no component and
// reports nothing.
struct TWebData::TWorkers {
  std::mutex Lock;
  std::condition_variable Idle;
  int Running = 0;
  TWebData* Owner = nullptr;
};

class TWDInetThread : public TThread {
 public:
  TWDInetThread(TWebData* AOwner, std::shared_ptr<TWebData::TWorkers> Workers)
      : TThread(false), FOwner(AOwner), FWorkers(std::move(Workers)) {
    SetFreeOnTerminate(true);
    // Runs on the user-interface thread once Execute is over.
    OnTerminate = [workers = FWorkers](TObject*) {
      TWebData* owner = nullptr;
      {
        std::lock_guard<std::mutex> guard(workers->Lock);
        owner = workers->Owner;
      }
      if (owner) owner->ThreadDone();
    };
  }

 protected:
  void Execute() override {
    struct TDone {
      TWebData::TWorkers& Workers;
      ~TDone() {
        std::lock_guard<std::mutex> guard(Workers.Lock);
        --Workers.Running;
        Workers.Idle.notify_all();
      }
    } done{*FWorkers};
    FOwner->CollectData();
  }

 private:
  TWebData* FOwner;
  std::shared_ptr<TWebData::TWorkers> FWorkers;
};

// ---------------------------------------------------------------------------
// TWebData

TF_PUBLISHED(TWebData, TComponent) {
  return TPublished<TWebData>()
      .String("Agent", &TWebData::Agent, &TWebData::SetAgent)
      .Object("Data", &TWebData::Data, &TWebData::SetData)
      .String("HyperLinkType", &TWebData::HyperLinkType, &TWebData::SetHyperLinkType)
      .Enum("ImageType", &TWebData::ImageType, &TWebData::SetImageType).Default(WebData::itAll)
      .String("Proxy", &TWebData::Proxy, &TWebData::SetProxy)
      .String("ProxyPassword", &TWebData::ProxyPassword, &TWebData::SetProxyPassword)
      .String("ProxyUserID", &TWebData::ProxyUserID, &TWebData::SetProxyUserID)
      .Integer("Timeout", &TWebData::Timeout, &TWebData::SetTimeout).Default(0)
      .String("Version", &TWebData::Version, &TWebData::SetVersion)
      .Event("OnCollectDone", &TWebData::OnCollectDone)
      .Event("OnCollectError", &TWebData::OnCollectError).TypeName("TWebDataErrorEvent")
      .Event("OnData", &TWebData::OnData).TypeName("TWebDataDataEvent")
      .Event("OnProgress", &TWebData::OnProgress).TypeName("TWebDataProgressEvent");
}

TWebData::TWebData(TComponent* AOwner)
    : TComponent(AOwner),
      FData(std::make_unique<TWebDataCollection>(this)),
      FImageRefs(std::make_unique<TStringList>()),
      FHyperlinks(std::make_unique<TStringList>()),
      FWorkers(std::make_shared<TWorkers>()) {
  FData->SetPropName(QStringLiteral("Data"));
  FWorkers->Owner = this;
}

TWebData::~TWebData() {
  {
    std::lock_guard<std::mutex> guard(FWorkers->Lock);
    FWorkers->Owner = nullptr;
  }
  // A worker still collecting stops at its next step; closing the session
  // cancels the request it waits for.
  FStopping = true;
  if (HINTERNET session = FInternet.exchange(nullptr)) InternetCloseHandle(session);
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(FWorkers->Lock);
      if (FWorkers->Running == 0) break;
      if (!TThread::IsMainThread()) {
        FWorkers->Idle.wait_for(lock, std::chrono::milliseconds(50));
        continue;
      }
    }
    // On the user-interface thread a worker may be waiting for a
    // synchronised call of its event handlers.
    try {
      CheckSynchronize(10);
    } catch (...) {
      // A failing handler of a worker goes the application's way; waiting goes on.
      ApplicationHandleException(std::current_exception());
    }
  }
}

QString TWebData::Version() const {
  return QStringLiteral("%1.%2.%3.%4")
      .arg(kWebDataVersion >> 24)
      .arg((kWebDataVersion >> 16) & 0xFF)
      .arg((kWebDataVersion >> 8) & 0xFF)
      .arg(kWebDataVersion & 0xFF);
}

void TWebData::SetData(TWebDataCollection* Value) {
  // The component owns its collection: the items are copied, never the
  // collection taken over.
  if (Value && Value != FData.get()) FData->Assign(Value);
}

QString TWebData::TempFolder() { return WithTrailingBackslash(GetTempPath()); }

int TWebData::PosNoCase(const QString& Sub, const QString& S) {
  if (Sub.isEmpty()) return 0;
  return static_cast<int>(UpperSameLength(S).indexOf(UpperSameLength(Sub)) + 1);
}

QString TWebData::ResolveUrl(const QString& PageURL, const QString& Link) {
  QString base;
  QString p = PageURL;
  if (PosNoCase(QStringLiteral("HTTP://"), p) > 0) {
    base = QStringLiteral("HTTP://");
    p.remove(0, 7);
  }
  qsizetype slash = 0;
  while (slash < p.size() && p[slash] != u'/' && p[slash] != u'\\') ++slash;
  base += p.left(slash);
  p.remove(0, slash);

  if (PosNoCase(QStringLiteral("HTTP:"), Link) > 0) return Link;
  if (Link.startsWith(u'\\') || Link.startsWith(u'/')) return base + Link;
  while (!p.isEmpty() && !p.endsWith(u'/') && !p.endsWith(u'\\')) p.chop(1);
  if (p.isEmpty()) p = QStringLiteral("/");
  return base + p + Link;
}

QString TWebData::AddUrlCredentials(const QString& URL, const QString& User,
                                    const QString& Password) {
  if (PosNoCase(QStringLiteral("HTTP://"), URL) == 0 || User.isEmpty()) return URL;
  return QStringLiteral("http://") + User + u':' + Password + u'@' + URL.mid(7);
}

bool TWebData::Execute() {
  for (int i = 0; i < FData->Count(); ++i) FData->Items(i)->SetSuccess(false);
  CollectData();
  for (int i = 0; i < FData->Count(); ++i)
    if (!FData->Items(i)->Success()) return false;
  return true;
}

void TWebData::ThreadCollectData() {
  {
    std::lock_guard<std::mutex> guard(FWorkers->Lock);
    ++FWorkers->Running;
  }
  try {
    TThread::Create<TWDInetThread>(this, FWorkers);
  } catch (...) {
    std::lock_guard<std::mutex> guard(FWorkers->Lock);
    --FWorkers->Running;
    throw;
  }
}

void TWebData::ThreadDone() {
  if (OnCollectDone) OnCollectDone(this);
}

void TWebData::CollectData() {
  if (FData->Count() == 0) return;
  FImageRefs->Clear();
  FHyperlinks->Clear();

  const TInternetHandle session{
      FProxy.isEmpty()
          ? InternetOpen(Wide(FAgent), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0)
          : InternetOpen(Wide(FAgent), INTERNET_OPEN_TYPE_PROXY, Wide(FProxy), nullptr, 0)};
  if (!session.Handle) return;
  FInternet = session.Handle;
  struct TForget {
    std::atomic<HINTERNET>& Internet;
    HINTERNET Handle;
    ~TForget() { Internet.compare_exchange_strong(Handle, nullptr); }
  } forget{FInternet, session.Handle};
  if (FStopping) return;

  if (FTimeout > 0) {
    DWORD ms = static_cast<DWORD>(std::min<qint64>(qint64(FTimeout) * 1000, 0x7FFFFFFF));
    InternetSetOption(session.Handle, INTERNET_OPTION_CONNECT_TIMEOUT, &ms, sizeof ms);
    InternetSetOption(session.Handle, INTERNET_OPTION_SEND_TIMEOUT, &ms, sizeof ms);
    InternetSetOption(session.Handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &ms, sizeof ms);
  }

  QString lastURL;
  QString currentFile;
  // Whether currentFile is ours to delete: a temporary file made here, or a
  // file the download wrote. A file named by the user and never written
  // (memory mode) is left alone.
  bool ownsCurrentFile = false;
  TMemoryStream stream;
  auto deleteCurrentFile = [&](int itemIndex) {
    if (!currentFile.isEmpty() && ownsCurrentFile && FData->Items(itemIndex)->AutoDelete() &&
        FileExists(currentFile))
      DeleteFile(currentFile);
  };

  for (int i = 0; i < FData->Count(); ++i) {
    if (FStopping) return;
    TWebDataItem* item = FData->Items(i);
    item->SetSuccess(false);
    if (!item->Enable()) continue;

    bool fetched = true;
    // An empty address never counts as the page fetched before.
    if (item->URL() != lastURL || lastURL.isEmpty()) {
      if (i > 0) deleteCurrentFile(i - 1);
      currentFile = item->FileName();
      ownsCurrentFile = false;
      if (currentFile.isEmpty()) {
        QString name;
        if (GetTempFileName(TempFolder(), QStringLiteral("WD"), 0, name) != 0) {
          currentFile = name;
          ownsCurrentFile = true;
        }
      }
      if (FSaveToFile) {
        fetched = FetchUrlToFile(item->URL(), i, currentFile);
        ownsCurrentFile = ownsCurrentFile || fetched;
      } else {
        stream.Clear();
        fetched = FetchUrlToStream(item->URL(), &stream, i);
      }
    }
    item->SetFileName(currentFile);
    lastURL = fetched ? item->URL() : QString();
    if (!fetched || FStopping) continue;

    if (FSaveToFile) {
      if (!FileExists(currentFile)) continue;
      stream.LoadFromFile(currentFile);
    }
    Examine(item, i, &stream);
  }

  deleteCurrentFile(FData->Count() - 1);
}

void TWebData::Examine(TWebDataItem* Item, int iItem, TMemoryStream* Page) {
  Page->SetPosition(0);
  Item->SetData(QString());
  if (OnProgress) OnProgress(this, iItem);
  const QString page =
      QString::fromLatin1(static_cast<const char*>(Page->Memory()), Page->Size());
  Item->SetFullPageCode(page);

  // Extraction: exact, case-sensitive markers.
  if (Item->ScanFirst().isEmpty()) {
    Item->SetData(page);
    Item->SetSuccess(true);
    if (OnData) OnData(this, iItem, Item->Data());
  } else if (const qsizetype first = FindMarker(page, Item->ScanFirst()); first >= 0) {
    const qsizetype afterFirst = first + Item->ScanFirst().size();
    if (const qsizetype from = FindMarker(page, Item->ScanFrom(), afterFirst); from >= 0) {
      const qsizetype afterFrom = from + Item->ScanFrom().size();
      if (const qsizetype to = FindMarker(page, Item->ScanTo(), afterFrom); to >= 0) {
        Item->SetData(page.mid(afterFrom, to - afterFrom));
        Item->SetSuccess(true);
        if (OnData) OnData(this, iItem, Item->Data());
      }
    }
  }

  // The searches below work on positions in the page instead of cutting
  // copies of it, so a long page costs one pass.
  const QString upper = UpperSameLength(page);
  const QString url = Item->URL();

  // Images: the address in the first SRC=" after each <IMG.
  for (qsizetype rest = 0;;) {
    const qsizetype img = upper.indexOf(QLatin1String("<IMG"), rest);
    if (img < 0) break;
    rest = img + 1;
    const qsizetype src = upper.indexOf(QLatin1String("SRC=\""), rest);
    if (src < 0) break;  // none further on either
    rest = src + 5;
    const qsizetype quote = page.indexOf(u'"', rest);
    if (quote < 0) continue;
    const QString address = ResolveUrl(url, page.mid(rest, quote - rest));
    bool wanted = false;
    switch (FImageType) {
      case WebData::itAll:
        wanted = true;
        break;
      case WebData::itGIF:
        wanted = PosNoCase(QStringLiteral(".GIF"), address) > 0;
        break;
      case WebData::itJPG:
        wanted = PosNoCase(QStringLiteral(".JPG"), address) > 0;
        break;
      case WebData::itPNG:
        wanted = PosNoCase(QStringLiteral(".PNG"), address) > 0;
        break;
    }
    if (wanted) FImageRefs->Add(address);
  }

  // Links: the HREF= after each tag starting with A, up to the next double
  // quote or ">", whichever comes first.
  for (qsizetype rest = 0;;) {
    const qsizetype tag = upper.indexOf(QLatin1String("<A"), rest);
    if (tag < 0) break;
    rest = tag + 1;
    const qsizetype href = upper.indexOf(QLatin1String("HREF="), rest);
    if (href < 0) break;  // none further on either
    rest = href + 5;
    if (rest < page.size() && page[rest] == u'"') ++rest;
    const qsizetype quote = page.indexOf(u'"', rest);
    const qsizetype close = page.indexOf(u'>', rest);
    QString link;
    if (quote >= 0 && close > quote)
      link = page.mid(rest, quote - rest);
    else if (close >= 0 && close < quote)
      link = page.mid(rest, close - rest);
    else
      continue;
    if (!link.contains(QLatin1String("://"))) link = ResolveUrl(url, link);
    if (FHyperLinkType.isEmpty() || PosNoCase(FHyperLinkType, link) > 0) FHyperlinks->Add(link);
  }
}

HINTERNET TWebData::OpenPage(const QString& URL, int iItem) {
  const QString address = AddUrlCredentials(URL, FProxyUserID, FProxyPassword);
  HINTERNET request = InternetOpenUrl(FInternet.load(), Wide(address), nullptr, 0,
                                      INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
  if (!request) {
    if (OnCollectError && !FStopping) OnCollectError(this, iItem, -1);
    return nullptr;
  }
  DWORD status = 0;
  DWORD length = sizeof status;
  HttpQueryInfo(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &length,
                nullptr);
  if (status >= 300 && status != 500) {
    InternetCloseHandle(request);
    if (OnCollectError) OnCollectError(this, iItem, static_cast<int>(status));
    return nullptr;
  }
  return request;
}

bool TWebData::ReadPage(HINTERNET Request, TStream* Target) {
  char buffer[kBlockSize];
  bool any = false;
  // Only the user-interface thread keeps its window responsive here; a
  // worker thread has no messages of its own to process.
  const bool mainThread = TThread::IsMainThread();
  for (;;) {
    if (mainThread && Application) Application->ProcessMessages();
    if (FStopping) break;
    DWORD read = 0;
    if (!InternetReadFile(Request, buffer, kBlockSize, &read) || read == 0) break;
    Target->WriteBuffer(buffer, read);
    any = true;
  }
  return any;
}

bool TWebData::FetchUrlToStream(const QString& URL, TStream* Stream, int iItem) {
  const TInternetHandle request{OpenPage(URL, iItem)};
  if (!request.Handle) return false;
  return ReadPage(request.Handle, Stream);
}

bool TWebData::FetchUrlToFile(const QString& URL, int iItem, const QString& FileName) {
  const TInternetHandle request{OpenPage(URL, iItem)};
  if (!request.Handle) return false;
  TFileStream file(FileName, fmCreate);
  return ReadPage(request.Handle, &file);
}
