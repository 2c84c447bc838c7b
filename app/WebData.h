#pragma once
// TWebData: a non-visual component that downloads a list of web pages, cuts a
// piece of text out of each page between configured markers, reports it
// through OnData, and gathers the page's image references and hyperlinks into
// two string lists.
//
// The pages are the items of Data. CollectData works through them in order on
// the calling thread; ThreadCollectData does the same on a worker thread and
// tells OnCollectDone on the user-interface thread when it is over. Pages are
// read over the WinINet calls of the run-time, bypassing any cache.
//
// One collection run at a time: the internet handle, the lists and the items
// are shared by CollectData and the worker thread.

#include <QString>
#include <atomic>
#include <functional>
#include <memory>

#include "platform/rtl/Collections.h"
#include "platform/rtl/Components.h"
#include "platform/rtl/TypInfo.h"
#include "platform/rtl/WinInet.h"

class TMemoryStream;
class TStream;
class TStringList;
class TWebData;

// Which image references are kept. The image lists of the window layer name
// an enumeration TImageType too, so this one lives in the unit's namespace.
namespace WebData {
enum TImageType { itAll, itGIF, itJPG, itPNG };
TF_ENUM_NAMES(TImageType, itAll, itGIF, itJPG, itPNG)
}  // namespace WebData

// OnProgress: before item iItem's page is examined.
using TWebDataProgressEvent = std::function<void(TObject* Sender, int iItem)>;
// OnData: item iItem produced data.
using TWebDataDataEvent = std::function<void(TObject* Sender, int iItem, const QString& data)>;
// OnCollectError: item iItem's page could not be fetched; errcode is -1 when
// the URL could not be opened, else the HTTP status.
using TWebDataErrorEvent = std::function<void(TObject* Sender, int iItem, int errcode)>;

// One page to fetch, with the markers that delimit its data.
class TWebDataItem : public TCollectionItem {
 public:
  TF_DECLARE_PUBLISHED(TWebDataItem)
  explicit TWebDataItem(TCollection* Collection);

  // Copies the published properties of another item.
  void Assign(TPersistent* Source) override;
  // The URL.
  QString DisplayName() const override { return FURL; }

  // Delete the item's download file when the next URL is fetched and at the end.
  bool AutoDelete() const { return FAutoDelete; }
  void SetAutoDelete(bool Value) { FAutoDelete = Value; }
  // A disabled item is skipped.
  bool Enable() const { return FEnable; }
  void SetEnable(bool Value) { FEnable = Value; }
  const QString& URL() const { return FURL; }
  void SetURL(const QString& Value) { FURL = Value; }
  // Everything up to and including ScanFirst, then up to and including
  // ScanFrom, is cut off; the data is what comes before ScanTo. An empty
  // ScanFirst takes the whole page.
  const QString& ScanFirst() const { return FScanFirst; }
  void SetScanFirst(const QString& Value) { FScanFirst = Value; }
  const QString& ScanFrom() const { return FScanFrom; }
  void SetScanFrom(const QString& Value) { FScanFrom = Value; }
  const QString& ScanTo() const { return FScanTo; }
  void SetScanTo(const QString& Value) { FScanTo = Value; }
  // Free for the user.
  int Tag() const { return FTag; }
  void SetTag(int Value) { FTag = Value; }

  // Results of the last run.
  // The extracted text.
  const QString& Data() const { return FData; }
  void SetData(const QString& Value) { FData = Value; }
  // The whole page, one character per byte (U+0000 to U+00FF).
  const QString& FullPageCode() const { return FFullPageCode; }
  void SetFullPageCode(const QString& Value) { FFullPageCode = Value; }
  // Data was extracted.
  bool Success() const { return FSuccess; }
  void SetSuccess(bool Value) { FSuccess = Value; }
  // The item's download file; empty before a run means a temporary file.
  const QString& FileName() const { return FFileName; }
  void SetFileName(const QString& Value) { FFileName = Value; }

 private:
  bool FAutoDelete = true;
  bool FEnable = true;
  QString FURL;
  QString FScanFirst;
  QString FScanFrom;
  QString FScanTo;
  int FTag = 0;
  QString FData;
  QString FFullPageCode;
  bool FSuccess = false;
  QString FFileName;
};

// The pages of a TWebData, which owns the collection.
class TWebDataCollection : public TOwnedCollection {
 public:
  TF_DECLARE_PUBLISHED(TWebDataCollection)
  explicit TWebDataCollection(TWebData* AOwner);

  TWebDataItem* Add() { return static_cast<TWebDataItem*>(TCollection::Add()); }
  // Raises EListError "List index out of bounds (<index>)".
  TWebDataItem* Items(int Index) const {
    return static_cast<TWebDataItem*>(TCollection::Items(Index));
  }
};

class TWebData : public TComponent {
 public:
  TF_DECLARE_PUBLISHED(TWebData)
  explicit TWebData(TComponent* AOwner);
  // Stops a running worker thread (its current download is cancelled) and
  // waits for it before anything is freed.
  ~TWebData() override;

  // Fetches and examines every enabled item in order, on the calling thread.
  void CollectData();
  // Clears every item's Success, runs CollectData and answers whether every
  // item, disabled ones included, has Success.
  bool Execute();
  // Runs CollectData on a worker thread and returns at once; OnCollectDone
  // follows on the user-interface thread when the thread has ended. OnProgress,
  // OnData and OnCollectError then run on the worker thread.
  void ThreadCollectData();

  // Downloads URL (with the credentials inserted) into Stream, or into the
  // file FileName (created or overwritten; file errors raise). A URL that
  // cannot be opened is reported to OnCollectError as -1, an HTTP status of
  // 300 or more other than 500 with that status. True when at least one byte
  // was read. Used by CollectData, which provides the internet handle.
  bool FetchUrlToStream(const QString& URL, TStream* Stream, int iItem);
  bool FetchUrlToFile(const QString& URL, int iItem, const QString& FileName);

  // Extraction, images and links of one downloaded page, the bytes of Page:
  // what CollectData does with each page it fetched for item iItem (Data,
  // FullPageCode and Success of Item; ImageRefs and Hyperlinks grow).
  void Examine(TWebDataItem* Item, int iItem, TMemoryStream* Page);

  // Position (1-based, 0 = none) of Sub in S, both compared in upper case.
  // An empty Sub is never found.
  static int PosNoCase(const QString& Sub, const QString& S);
  // Link as an address relative to the page PageURL. Only "HTTP://" counts
  // as a scheme (compared without case, answered in upper case): a link
  // holding "HTTP:" is kept, one starting with a slash or backslash is joined
  // to the scheme and host, any other to the page's folder. On an https page
  // the base is "https:", so "/x" becomes "https:/x".
  static QString ResolveUrl(const QString& PageURL, const QString& Link);
  // URL with "User:Password@" inserted after its first seven characters,
  // when URL holds "HTTP://" (compared without case) and User is not empty;
  // else URL unchanged.
  static QString AddUrlCredentials(const QString& URL, const QString& User,
                                   const QString& Password);
  // The user's folder for temporary files, with a trailing path delimiter.
  static QString TempFolder();

  // Harvested by the last run.
  TStringList* ImageRefs() const { return FImageRefs.get(); }
  TStringList* Hyperlinks() const { return FHyperlinks.get(); }

  // Properties
  const QString& Agent() const { return FAgent; }
  void SetAgent(const QString& Value) { FAgent = Value; }
  // Empty: the system's configured access.
  const QString& Proxy() const { return FProxy; }
  void SetProxy(const QString& Value) { FProxy = Value; }
  // Inserted into every http URL (see AddUrlCredentials).
  const QString& ProxyUserID() const { return FProxyUserID; }
  void SetProxyUserID(const QString& Value) { FProxyUserID = Value; }
  const QString& ProxyPassword() const { return FProxyPassword; }
  void SetProxyPassword(const QString& Value) { FProxyPassword = Value; }
  TWebDataCollection* Data() const { return FData.get(); }
  // Copies the items of Value; the component keeps its own collection.
  void SetData(TWebDataCollection* Value);
  WebData::TImageType ImageType() const { return FImageType; }
  void SetImageType(WebData::TImageType Value) { FImageType = Value; }
  // Not empty: only links containing it (compared without case) are kept.
  const QString& HyperLinkType() const { return FHyperLinkType; }
  void SetHyperLinkType(const QString& Value) { FHyperLinkType = Value; }
  // Seconds; above 0 the connect, send and receive time-outs of the session.
  int Timeout() const { return FTimeout; }
  void SetTimeout(int Value) { FTimeout = Value; }
  // Download into the item's file instead of memory.
  bool SaveToFile() const { return FSaveToFile; }
  void SetSaveToFile(bool Value) { FSaveToFile = Value; }
  // "1.4.0.0"; writing it changes nothing.
  QString Version() const;
  void SetVersion(const QString&) {}

  // Events
  TWebDataProgressEvent OnProgress;
  TWebDataDataEvent OnData;
  TNotifyEvent OnCollectDone;
  TWebDataErrorEvent OnCollectError;

 private:
  friend class TWDInetThread;
  struct TWorkers;

  // Opens URL on the session and checks its status; the request or nullptr.
  HINTERNET OpenPage(const QString& URL, int iItem);
  // Appends the body of Request to Target in blocks of 4096 bytes; true when
  // at least one byte came.
  bool ReadPage(HINTERNET Request, TStream* Target);
  void ThreadDone();

  QString FAgent = QStringLiteral("WebData");
  QString FProxy;
  QString FProxyUserID;
  QString FProxyPassword;
  std::unique_ptr<TWebDataCollection> FData;
  WebData::TImageType FImageType = WebData::itAll;
  QString FHyperLinkType;
  int FTimeout = 0;
  bool FSaveToFile = false;
  std::unique_ptr<TStringList> FImageRefs;
  std::unique_ptr<TStringList> FHyperlinks;
  std::atomic<HINTERNET> FInternet{nullptr};
  std::atomic<bool> FStopping{false};
  std::shared_ptr<TWorkers> FWorkers;
};

// S with a path delimiter appended when it is not empty and does not end
// with one. The name is the one this unit has always used; on this platform
// the delimiter is "/", not a backslash.
QString WithTrailingBackslash(const QString& S);
