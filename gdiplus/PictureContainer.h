#pragma once
// Pictures of the mini-HTML engines: THTMLPicture (loaded from a url-like
// reference, a stream or a file, kept as encoded bytes and drawn through
// GDI+, with the frame data and animation step of GIF animations), the
// picture cache THTMLPictureCache (pictures found by the reference they
// were loaded from) and the picture container TPictureContainer (named
// pictures, designed on a form).
//
// GIF animations. The frames of a GIF are read once per content from its
// block structure into a frame table: one entry per image descriptor, with
// the delay of the graphic control extension before it (0 without one) and
// the frame's rectangle on the logical screen. FrameCount, GetFrameTime,
// FrameXPos/FrameYPos and Step use that table; loading new content resets
// the animation state. Draw shows the current frame composed on the logical
// screen (each frame painted over the previous ones as the GIF's disposal
// methods say), so an animation can be shown by stepping and redrawing;
// FrameXPos and FrameYPos tell where the current frame's own rectangle lies
// on that screen. Width and Height are the logical screen's.
//
// Web references. LoadFromURL with a web address and Asynch set starts a
// TDownLoadThread, which fetches nothing in this system (its body is
// empty): Busy stays set, so a picture starts at most one request. With
// Asynch cleared (as the mini-HTML engine loads pictures while it paints)
// the picture is fetched at once over http or https, the whole transfer
// within HTMLPictureTimeout and at most HTMLPictureMaxBytes: a paint never
// waits longer. Whatever the outcome the address becomes the ID, so a cache
// finds the picture (loaded or empty) later and never asks again.
//
// The mini-HTML engines reach the pictures of caches and containers through
// RegisterMiniHtmlPictures, which the first cache or container made calls.

#include <QImage>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

#include "gdiplus/KitGDIPPicture.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/Threads.h"
#include "platform/vcl/Controls.h"

class THTMLPicture;

// Limits of the synchronous load of a web picture.
inline constexpr int HTMLPictureTimeout = 5000;  // milliseconds, connection included
inline constexpr qint64 HTMLPictureMaxBytes = 16 * 1024 * 1024;

// Gives the mini-HTML engines access to picture caches and containers
// (SetMiniHtmlPictures); safe to call again.
void RegisterMiniHtmlPictures();

using TDownloadProgressEvent = std::function<void(TObject* Sender, Cardinal dwSize, Cardinal dwTotSize)>;
using TDownloadCancelEvent = std::function<void(TObject* Sender, bool& Cancel)>;
using TDownloadCompleteEvent = std::function<void(TObject* Sender)>;
using TDownloadErrorEvent = std::function<void(TObject* Sender, const QString& err)>;

// The thread meant to fetch a web picture; its body is empty.
class TDownLoadThread : public TThread {
 public:
  // Starts at once and frees itself when it ends.
  explicit TDownLoadThread(THTMLPicture* APicture);
  THTMLPicture* HTMLPicture = nullptr;

 protected:
  void Execute() override;
};

// One frame of a GIF: its delay in hundredths of a second and its rectangle
// on the logical screen.
struct TGifFrame {
  int Delay = 0;
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
};
// The frames of GIF bytes by their block structure (empty when they are not
// a GIF); at most MaxFrames entries.
std::vector<TGifFrame> ParseGifFrames(const QByteArray& Bytes, int MaxFrames = 65536);

class THTMLPicture : public TKitSVGBitmap {
 public:
  TF_DECLARE_PUBLISHED(THTMLPicture)
  THTMLPicture();
  ~THTMLPicture() override;

  // The animation state is reset first. Null: no raster bytes. Another
  // THTMLPicture: its Stretch, Frame, ID and content. Any other graphic (a
  // picture's graphic): its saved bytes.
  void Assign(TPersistent* Source) override;

  bool Empty() const override;
  int Width() const override;
  int Height() const override;
  void SetWidth(int) override {}
  void SetHeight(int) override {}
  void SetSize(int, int) override {}

  // "RES://name" and "FILE://path" (the prefix in any letter case) load at
  // once and set ID to the reference as given; a web address is recorded
  // (see the top of this file).
  void LoadFromURL(const QString& url);
  // Never raises: a failure leaves the picture empty.
  void LoadFromFile(const QString& FileName);
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  void ReadData(TStream* Stream) override;
  void WriteData(TStream* Stream) override;
  void LoadFromClipboardFormat(Word AFormat, NativeUInt AData, HPALETTE APalette) {}
  void SaveToClipboardFormat(Word& AFormat, NativeUInt& AData, HPALETTE& APalette) {}
  void LoadFromResourceName(NativeInt Instance, const QString& ResName);
  void LoadFromResourceID(NativeInt Instance, int ResID);

  bool Equals(TGraphic* Graphic) override;
  QImage ToImage() override;

  // SVG content into (X, Y, W, H) of the canvas with the native back-end.
  void DrawSVG(TCanvas* ACanvas, float X, float Y, float W, float H);

  bool IsGIF() const;
  // -1 for a picture that is not a GIF.
  int FrameCount();
  // The delay of frame i (1-based), -1 when there is no such frame or the
  // picture is not a GIF.
  int GetFrameTime(int i);
  int Frame() const { return FFrame; }
  // Stores the frame; with bytes, reads its data and fires OnFrameChange.
  void SetFrame(int Value);
  // The next (wrapping to 1) and previous (wrapping to the last) frame;
  // neither fires events.
  void FrameNext();
  void FramePrev();
  // One animation tick of 100 ms; true when the frame advanced.
  bool Step();

  bool Stretch() const { return FStretched; }
  void SetStretch(bool Value) { FStretched = Value; }
  const QString& ID() const { return FID; }
  void SetID(const QString& Value) { FID = Value; }
  const QString& URL() const { return FURL; }
  bool IsDB() const { return FIsDB; }
  void SetIsDB(bool Value) { FIsDB = Value; }
  bool Asynch() const { return FAsynch; }
  void SetAsynch(bool Value) { FAsynch = Value; }
  bool Busy() const { return FThreadBusy; }
  uint16_t FrameXPos() const { return FFrameXPos; }
  uint16_t FrameYPos() const { return FFrameYPos; }
  int MaxWidth() const { return Width(); }
  int MaxHeight() const { return Height(); }

  const KitGDIP::TPictureBytes& Datastream() const { return FDatastream; }
  // How often the frame table was built (for tests of the parse-once rule).
  int FrameTableBuilds() const { return FFrameTableBuilds; }

  TNotifyEvent OnFrameChange;
  TDownloadProgressEvent OnDownLoadProgress;
  TDownloadCancelEvent OnDownLoadCancel;
  TDownloadCompleteEvent OnDownLoadComplete;
  TDownloadErrorEvent OnDownLoadError;

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

 private:
  // The synchronous load of a web address (see the top of this file).
  void LoadFromWeb(const QString& url);
  void ReadFrameInfo();
  void ResetAnimation();
  const std::vector<TGifFrame>& Frames();
  // The current frame composed on the logical screen; null when there is
  // none to show.
  const QImage* FrameImage();

  KitGDIP::TPictureBytes FDatastream;
  bool FIsEmpty = true;
  bool FStretched = false;
  QString FURL;
  QString FID;
  int FHeight = 0;
  int FWidth = 0;
  bool FIsDB = false;
  bool FAsynch = true;
  bool FThreadBusy = false;
  int FFrame = 1;
  int FFrameCount = -1;
  uint16_t FFrameXPos = 0;
  uint16_t FFrameYPos = 0;
  int FNextCount = -1;
  int FTimerCount = -1;

  // The frame table and composed frames of the current content.
  uint64_t FFramesVersion = ~uint64_t(0);
  std::vector<TGifFrame> FFrames;
  int FFrameTableBuilds = 0;
  uint64_t FImagesVersion = ~uint64_t(0);
  std::vector<QImage> FFrameImages;
};

// The pictures of mini-HTML references, found by their ID. The cache owns
// its pictures.
class THTMLPictureCache : public TList {
 public:
  TF_DECLARE_PUBLISHED(THTMLPictureCache)
  THTMLPictureCache();
  ~THTMLPictureCache() override;

  // A new empty picture (Asynch set), appended.
  THTMLPicture* AddPicture();
  // The first picture whose ID is exactly that text; null when none.
  THTMLPicture* FindPicture(const QString& ID) const;
  // Frees every picture and empties the list.
  void ClearPictures();
  // Steps every picture; true when one advanced.
  bool Animate();
  THTMLPicture* GetPicture(int Index) const { return static_cast<THTMLPicture*>(Items(Index)); }
  // Replaces the picture at Index (the old one is freed).
  void SetPicture(int Index, THTMLPicture* Value);

 protected:
  void Notify(void* Ptr, TListNotification Action) override;
};

class TPictureContainer;

class TPictureItem : public TCollectionItem {
 public:
  TF_DECLARE_PUBLISHED(TPictureItem)
  explicit TPictureItem(TCollection* Collection);
  ~TPictureItem() override;

  // Name, Tag and picture of another item; any other source raises the
  // framework's invalid-cast error.
  void Assign(TPersistent* Source) override;

  // The item's picture (made by CreatePicture on first use).
  TGraphic* Picture();
  // Copies the graphic's content into the item's picture.
  void SetPicture(TGraphic* Value);
  const QString& Name() const { return FName; }
  void SetName(const QString& Value) { FName = Value; }
  NativeInt Tag() const { return FTag; }
  void SetTag(NativeInt Value) { FTag = Value; }

  TPictureContainer* Container() const;
  // A new framework picture holding a copy of the item's picture, kept by
  // the container until its next Bitmap or FindBitmap.
  TPicture* Bitmap();

  QString DisplayName() const override { return FName.isEmpty() ? TCollectionItem::DisplayName() : FName; }

 protected:
  virtual std::unique_ptr<TGraphic> CreatePicture();

 private:
  std::unique_ptr<TGraphic> FPicture;
  NativeInt FTag = 0;
  QString FName;
};

class TPictureCollection : public TOwnedCollection {
 public:
  TF_DECLARE_PUBLISHED(TPictureCollection)
  explicit TPictureCollection(TComponent* AOwner);

  TPictureItem* Add() { return static_cast<TPictureItem*>(TCollection::Add()); }
  TPictureItem* Insert(int Index) { return static_cast<TPictureItem*>(TCollection::Insert(Index)); }
  TPictureItem* GetItem(int Index) const { return static_cast<TPictureItem*>(TCollection::Items(Index)); }
  TPictureItem* Items(int Index) const { return GetItem(Index); }
  void SetItem(int Index, TPictureItem* Value) { TCollection::SetItems(Index, Value); }
  // Steps every item's picture that is a THTMLPicture; true when one
  // advanced.
  bool Animate();

 protected:
  virtual TCollectionItemClass GetItemClass() const { return CollectionItemClassOf<TPictureItem>(); }

 private:
  TComponent* FOwner;
};

class TPictureContainer : public TComponent {
 public:
  TF_DECLARE_PUBLISHED(TPictureContainer)
  explicit TPictureContainer(TComponent* AOwner);
  ~TPictureContainer() override;

  TPictureCollection* Items();
  // Copies the collection's items into the container's own collection.
  void SetItems(TPictureCollection* Value);
  // 2.1.1.0; setting it does nothing.
  QString Version() const;
  void SetVersion(const QString&) {}

  // Repaints the registered controls, then fires OnChange.
  virtual void Changed();
  virtual int GetVersionNr() const;
  // The picture of the first item of that name (compared without case);
  // null when none. The picture belongs to the item.
  virtual TGraphic* FindPicture(const QString& Name);
  // A new framework picture holding a copy of that item's picture, kept by
  // the container until the next FindBitmap or Bitmap; null when none.
  virtual TPicture* FindBitmap(const QString& Name);
  // Controls repainted by Changed; they are taken out when they die.
  void RegisterControl(TControl* AControl);
  int ControlCount() const { return FControls->Count(); }

  TNotifyEvent OnChange;

 protected:
  virtual std::unique_ptr<TPictureCollection> CreateItems();
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend class TPictureItem;
  TPicture* NewScratchPicture(TGraphic* Source);

  std::unique_ptr<TList> FControls;
  std::unique_ptr<TPicture> FPicture;
  std::unique_ptr<TPictureCollection> FItems;
};
