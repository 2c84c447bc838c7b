// HTML pictures, the picture cache and the picture container.

#include "gdiplus/PictureContainer.h"

#include <QBuffer>
#include <QImageReader>

#include "foundation/KitGraphics.h"
#include "foundation/KitMiniHTMLEngine.h"
#include "foundation/KitUtils.h"
#include "gdiplus/KitGDIPFlat.h"
#include "platform/rtl/HttpClient.h"
#include "platform/rtl/RtlConsts.h"

using namespace KitGDIP;
using namespace KitGDIP::PictureDetail;

// ---------------------------------------------------------------------------
// TDownLoadThread

TDownLoadThread::TDownLoadThread(THTMLPicture* APicture) : TThread(false), HTMLPicture(APicture) {
  SetFreeOnTerminate(true);
}

void TDownLoadThread::Execute() {}

// ---------------------------------------------------------------------------
// GIF frames

std::vector<TGifFrame> ParseGifFrames(const QByteArray& Bytes, int MaxFrames) {
  std::vector<TGifFrame> frames;
  const auto* d = reinterpret_cast<const uchar*>(Bytes.constData());
  const qsizetype n = Bytes.size();
  if (n < 13 || d[0] != 'G' || d[1] != 'I' || d[2] != 'F') return frames;
  auto le16 = [&](qsizetype at) { return int(d[at]) | (int(d[at + 1]) << 8); };
  qsizetype pos = 13;
  if (d[10] & 0x80) pos += 3 * (qsizetype(1) << ((d[10] & 0x07) + 1));
  auto skipSubBlocks = [&]() {
    for (;;) {
      if (pos >= n) return false;
      const int length = d[pos++];
      if (length == 0) return true;
      pos += length;
    }
  };
  int pendingDelay = 0;
  while (pos < n && int(frames.size()) < MaxFrames) {
    const uchar block = d[pos++];
    if (block == 0x21) {
      if (pos >= n) break;
      const uchar label = d[pos++];
      // A graphic control extension: block size 4, then flags, delay,
      // transparent index; it applies to the next image.
      if (label == 0xF9 && pos + 5 <= n && d[pos] == 4) pendingDelay = le16(pos + 2);
      if (!skipSubBlocks()) break;
    } else if (block == 0x2C) {
      if (pos + 9 > n) break;
      frames.push_back(TGifFrame{pendingDelay, le16(pos), le16(pos + 2), le16(pos + 4), le16(pos + 6)});
      pendingDelay = 0;
      const uchar flags = d[pos + 8];
      pos += 9;
      if (flags & 0x80) pos += 3 * (qsizetype(1) << ((flags & 0x07) + 1));
      if (pos >= n) break;
      ++pos;  // minimum code size
      if (!skipSubBlocks()) break;
    } else {
      break;  // the trailer, or bytes that start no block
    }
  }
  return frames;
}

// ---------------------------------------------------------------------------
// THTMLPicture

TF_PUBLISHED(THTMLPicture, TKitSVGBitmap) {
  return TPublished<THTMLPicture>()
      .Boolean("Stretch", &THTMLPicture::Stretch, &THTMLPicture::SetStretch)
      .Default(false)
      .Integer("Frame", &THTMLPicture::Frame, &THTMLPicture::SetFrame)
      .Default(1)
      .Event("OnFrameChange", &THTMLPicture::OnFrameChange)
      .Event("OnDownLoadProgress", &THTMLPicture::OnDownLoadProgress)
      .Event("OnDownLoadCancel", &THTMLPicture::OnDownLoadCancel)
      .Event("OnDownLoadComplete", &THTMLPicture::OnDownLoadComplete)
      .Event("OnDownLoadError", &THTMLPicture::OnDownLoadError);
}

THTMLPicture::THTMLPicture() { SetTransparent(true); }

THTMLPicture::~THTMLPicture() = default;

bool THTMLPicture::Empty() const { return HasSVG() ? TKitSVGBitmap::Empty() : FIsEmpty; }
int THTMLPicture::Width() const { return HasSVG() ? TKitSVGBitmap::Width() : FWidth; }
int THTMLPicture::Height() const { return HasSVG() ? TKitSVGBitmap::Height() : FHeight; }

void THTMLPicture::ResetAnimation() {
  FFrameCount = -1;
  FNextCount = -1;
  FTimerCount = -1;
  FFrame = 1;
  FFrameXPos = 0;
  FFrameYPos = 0;
}

const std::vector<TGifFrame>& THTMLPicture::Frames() {
  if (FFramesVersion != FDatastream.Version()) {
    FFrames = IsGIF() ? ParseGifFrames(FDatastream.Bytes()) : std::vector<TGifFrame>();
    FFramesVersion = FDatastream.Version();
    ++FFrameTableBuilds;
  }
  return FFrames;
}

bool THTMLPicture::IsGIF() const {
  if (FDatastream.Size() < 5) return false;
  const auto* d = static_cast<const char*>(FDatastream.Stream()->Memory());
  return d[0] == 'G' && d[1] == 'I' && d[2] == 'F' && d[3] == '8';
}

int THTMLPicture::FrameCount() {
  if (!IsGIF()) return -1;
  if (FFrameCount < 0) FFrameCount = int(Frames().size());
  return FFrameCount;
}

int THTMLPicture::GetFrameTime(int i) {
  if (!IsGIF()) return -1;
  const std::vector<TGifFrame>& frames = Frames();
  if (i < 1 || i > int(frames.size())) return -1;
  return frames[size_t(i - 1)].Delay;
}

void THTMLPicture::SetFrame(int Value) {
  FFrame = Value;
  if (FDatastream.HasBytes()) {
    ReadFrameInfo();
    if (OnFrameChange) OnFrameChange(this);
  }
}

void THTMLPicture::FrameNext() { FFrame = FFrame < FFrameCount ? FFrame + 1 : 1; }

void THTMLPicture::FramePrev() { FFrame = FFrame >= 2 ? FFrame - 1 : FFrameCount; }

bool THTMLPicture::Step() {
  if (FFrameCount < 2 || Empty()) return false;
  if (FNextCount == -1) FNextCount = GetFrameTime(FFrame);
  if (FTimerCount * 10 < FNextCount) {
    ++FTimerCount;
    return false;
  }
  FrameNext();
  ReadFrameInfo();
  FNextCount += std::max(0, GetFrameTime(FFrame));
  ++FTimerCount;
  return true;
}

void THTMLPicture::ReadFrameInfo() {
  if (HasSVG() || !FDatastream.HasBytes()) return;
  FWidth = 0;
  FHeight = 0;
  FFrameXPos = 0;
  FFrameYPos = 0;
  if (IsGIF() && FrameCount() > 0) {
    const std::vector<TGifFrame>& frames = Frames();
    if (FFrame >= 1 && FFrame <= int(frames.size())) {
      FFrameXPos = uint16_t(frames[size_t(FFrame - 1)].Left);
      FFrameYPos = uint16_t(frames[size_t(FFrame - 1)].Top);
    }
  }
  if (FDatastream.Image() != nullptr) {
    FWidth = FDatastream.ImageWidth();
    FHeight = FDatastream.ImageHeight();
  }
}

const QImage* THTMLPicture::FrameImage() {
  if (FImagesVersion != FDatastream.Version()) {
    FFrameImages.clear();
    FImagesVersion = FDatastream.Version();
    const QByteArray bytes = FDatastream.Bytes();
    if (FrameCount() > 1 && DeclaredSizeAcceptable(bytes)) {
      QBuffer buffer;
      buffer.setData(bytes);
      buffer.open(QIODevice::ReadOnly);
      QImageReader reader(&buffer, "gif");
      for (int i = 0; i < FFrameCount; ++i) {
        QImage frame = reader.read();
        if (frame.isNull()) break;
        FFrameImages.push_back(frame.convertToFormat(QImage::Format_ARGB32_Premultiplied));
      }
    }
  }
  if (FFrame < 1 || FFrame > int(FFrameImages.size())) return nullptr;
  return &FFrameImages[size_t(FFrame - 1)];
}

void THTMLPicture::Assign(TPersistent* Source) {
  FIsEmpty = true;
  ResetAnimation();
  SetFrame(1);
  if (Source == nullptr) {
    FDatastream.Clear();
    return;
  }
  if (auto* picture = dynamic_cast<THTMLPicture*>(Source)) {
    if (picture != this) {
      FStretched = picture->FStretched;
      FID = picture->FID;
      if (picture->HasSVG()) {
        Quietly(this, [&] { TKitSVGBitmap::Assign(picture); });
        FDatastream.Clear();
      } else {
        FDatastream.Assign(picture->FDatastream);
        ClearSVG(this);
      }
      FIsEmpty = false;
      ResetAnimation();
      FFrame = picture->FFrame;
      ReadFrameInfo();
      Changed(this);
    }
    return;
  }
  if (auto* pic = dynamic_cast<TPicture*>(Source)) {
    if (TGraphic* graphic = pic->Graphic()) {
      TMemoryStream stream;
      graphic->SaveToStream(&stream);
      stream.SetPosition(0);
      LoadFromStream(&stream);
    }
    return;
  }
  if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
    TMemoryStream stream;
    graphic->SaveToStream(&stream);
    stream.SetPosition(0);
    LoadFromStream(&stream);
  }
}

void THTMLPicture::LoadFromURL(const QString& url) {
  const QString upper = url.toUpper();
  if (upper.startsWith(QLatin1String("RES://"))) {
    FID = url;
    const QString rest = url.mid(6);
    if (!rest.isEmpty()) LoadFromResourceName(TKitUtils::GetHInstance(), rest);
  } else if (upper.startsWith(QLatin1String("FILE://"))) {
    FID = url;
    const QString rest = url.mid(7);
    if (!rest.isEmpty()) LoadFromFile(rest);
  } else if (!FAsynch) {
    FURL = url;
    FID = url;
    LoadFromWeb(url);
  } else if (!FThreadBusy) {
    FURL = url;
    FThreadBusy = true;
    TThread::Create<TDownLoadThread>(this);
  }
}

void THTMLPicture::LoadFromWeb(const QString& url) {
  QByteArray body;
  QString type;
  if (!HttpGetBounded(url, HTMLPictureMaxBytes, HTMLPictureTimeout, body, &type) || body.isEmpty()) return;
  // Only pictures: raster bytes by their signature, or SVG.
  TMemoryStream bytes;
  bytes.WriteBuffer(body.constData(), body.size());
  bytes.SetPosition(0);
  const bool raster = IsRasterData(&bytes);
  const bool svg = type == u"image/svg+xml" || body.left(4096).contains("<svg");
  if (!raster && !svg) return;
  bytes.SetPosition(0);
  try {
    LoadFromStream(&bytes);
  } catch (const Exception&) {
    Assign(nullptr);
    FID = url;
  }
}

void THTMLPicture::LoadFromFile(const QString& FileName) {
  try {
    FIsEmpty = true;
    {
      TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
      FDatastream.LoadFromStream(&file);
    }
    if (IsRasterData(FDatastream.Stream())) {
      ClearSVG(this);
    } else {
      FDatastream.Clear();
      Quietly(this, [&] { TKitSVGBitmap::LoadFromFile(FileName); });
    }
    FIsEmpty = false;
    ResetAnimation();
    ReadFrameInfo();
    Changed(this);
  } catch (const Exception&) {
    FIsEmpty = true;
  } catch (const std::bad_alloc&) {
    FIsEmpty = true;
  }
}

void THTMLPicture::LoadFromStream(TStream* Stream) {
  if (Stream == nullptr) return;
  if (IsRasterData(Stream)) {
    ClearSVG(this);
    FDatastream.LoadFromStream(Stream);
  } else {
    FDatastream.Clear();
    Quietly(this, [&] { TKitSVGBitmap::LoadFromStream(Stream); });
  }
  FIsEmpty = false;
  ResetAnimation();
  ReadFrameInfo();
  Changed(this);
}

void THTMLPicture::SaveToStream(TStream* Stream) {
  if (Stream == nullptr) return;
  if (HasSVG()) {
    TKitSVGBitmap::SaveToStream(Stream);
    return;
  }
  FDatastream.SaveToStream(Stream);
}

void THTMLPicture::ReadData(TStream* Stream) {
  if (Stream == nullptr) return;
  if (IsRasterFormData(Stream)) {
    ClearSVG(this);
    FDatastream.CopyFrom(Stream, Stream->Size() - Stream->Position());
  } else {
    FDatastream.Clear();
    Quietly(this, [&] { TKitSVGBitmap::ReadData(Stream); });
  }
  FIsEmpty = false;
  ResetAnimation();
  ReadFrameInfo();
}

void THTMLPicture::WriteData(TStream* Stream) {
  if (HasSVG()) {
    TKitSVGBitmap::WriteData(Stream);
    return;
  }
  FDatastream.SaveToStream(Stream);
}

void THTMLPicture::LoadFromResourceName(NativeInt Instance, const QString& ResName) {
  std::unique_ptr<TResourceStream> stream = TKitUtils::GetResourceStream(ResName, Instance);
  if (stream) LoadFromStream(stream.get());
}

void THTMLPicture::LoadFromResourceID(NativeInt Instance, int ResID) {
  TResourceStream stream(Instance, QString::number(ResID));
  LoadFromStream(&stream);
}

bool THTMLPicture::Equals(TGraphic* Graphic) {
  auto* other = dynamic_cast<THTMLPicture*>(Graphic);
  if (other == nullptr) return false;
  if (HasSVG() || other->HasSVG()) return HasSVG() && other->HasSVG() && TKitSVGBitmap::Equals(other);
  return FDatastream.Bytes() == other->FDatastream.Bytes();
}

QImage THTMLPicture::ToImage() {
  if (HasSVG()) return TKitSVGBitmap::ToImage();
  if (FIsEmpty || !FDatastream.HasBytes()) return QImage();
  if (const QImage* frame = FrameImage()) return *frame;
  TGPImage* image = FDatastream.Image();
  if (image == nullptr) return QImage();
  return RenderImage(image, FDatastream.ImageWidth(), FDatastream.ImageHeight());
}

void THTMLPicture::DrawSVG(TCanvas* ACanvas, float X, float Y, float W, float H) {
  if (ACanvas == nullptr || !HasSVG()) return;
  SVG()->Draw(ACanvas, TRectF(X, Y, X + W, Y + H), true);
}

void THTMLPicture::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (HasSVG()) {
    TKitSVGBitmap::Draw(ACanvas, Rect);
    return;
  }
  if (FIsEmpty || !FDatastream.HasBytes() || ACanvas == nullptr) return;
  TGPImage* image = FDatastream.Image();
  if (image == nullptr) return;
  if (image->GetFormat() == ifBMP) {
    TBitmap bitmap;
    try {
      FDatastream.Stream()->SetPosition(0);
      bitmap.LoadFromStream(FDatastream.Stream());
      FDatastream.Stream()->SetPosition(0);
      bitmap.SetTransparentMode(tmAuto);
      bitmap.SetTransparent(Transparent());
      ACanvas->StretchDraw(Rect, &bitmap);
      return;
    } catch (const Exception&) {
      FDatastream.Stream()->SetPosition(0);  // drawn by GDI+ below
    }
  }
  TGPGraphics graphics(ACanvas->Handle());
  if (const QImage* frame = FrameImage()) {
    // The current frame of an animation.
    QImage pixels = *frame;
    GpBitmap* bitmap = nullptr;
    if (GDIP(GdipCreateBitmapFromScan0)(pixels.width(), pixels.height(), int(pixels.bytesPerLine()),
                                        PixelFormat32bppPARGB, pixels.bits(), &bitmap) == Ok) {
      TGPBitmap wrapper(bitmap);
      graphics.DrawImageRect(&wrapper, Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
    }
    return;
  }
  graphics.DrawImageRect(image, Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
}

// ---------------------------------------------------------------------------
// THTMLPictureCache

TF_PUBLISHED(THTMLPictureCache, TList) { return TPublished<THTMLPictureCache>(); }

THTMLPictureCache::THTMLPictureCache() { RegisterMiniHtmlPictures(); }

THTMLPictureCache::~THTMLPictureCache() { ClearPictures(); }

void THTMLPictureCache::Notify(void* Ptr, TListNotification Action) {
  if (Action == lnDeleted) delete static_cast<THTMLPicture*>(Ptr);
}

THTMLPicture* THTMLPictureCache::AddPicture() {
  auto picture = std::make_unique<THTMLPicture>();
  Add(picture.get());
  return picture.release();
}

THTMLPicture* THTMLPictureCache::FindPicture(const QString& ID) const {
  for (int i = 0; i < Count(); ++i)
    if (THTMLPicture* picture = GetPicture(i); picture && picture->ID() == ID) return picture;
  return nullptr;
}

void THTMLPictureCache::ClearPictures() { Clear(); }

bool THTMLPictureCache::Animate() {
  bool advanced = false;
  for (int i = 0; i < Count(); ++i)
    if (THTMLPicture* picture = GetPicture(i); picture && picture->Step()) advanced = true;
  return advanced;
}

void THTMLPictureCache::SetPicture(int Index, THTMLPicture* Value) {
  SetItems(Index, Value);  // the list's deletion notice frees the replaced picture
}

// ---------------------------------------------------------------------------
// TPictureItem

TF_PUBLISHED(TPictureItem, TCollectionItem) {
  return TPublished<TPictureItem>()
      .Object(
          "Picture", [](const TPictureItem& i) { return const_cast<TPictureItem&>(i).Picture(); },
          [](TPictureItem& i, TGraphic* v) { i.SetPicture(v); })
      .String("Name", &TPictureItem::Name, &TPictureItem::SetName)
      .Integer("Tag", [](const TPictureItem& i) { return int(i.Tag()); },
               [](TPictureItem& i, int v) { i.SetTag(v); })
      .Default(0);
}

TPictureItem::TPictureItem(TCollection* Collection) : TCollectionItem(Collection) {}

TPictureItem::~TPictureItem() = default;

std::unique_ptr<TGraphic> TPictureItem::CreatePicture() { return std::make_unique<THTMLPicture>(); }

TGraphic* TPictureItem::Picture() {
  if (!FPicture) FPicture = CreatePicture();
  return FPicture.get();
}

void TPictureItem::SetPicture(TGraphic* Value) {
  TGraphic* own = Picture();
  if (Value == own) return;
  own->Assign(Value);
}

void TPictureItem::Assign(TPersistent* Source) {
  auto* item = dynamic_cast<TPictureItem*>(Source);
  if (item == nullptr) throw EInvalidCast(QString::fromUtf8(RtlConsts::SInvalidCast));
  if (item == this) return;
  FName = item->FName;
  FTag = item->FTag;
  SetPicture(item->Picture());
}

TPictureContainer* TPictureItem::Container() const {
  return Collection() ? dynamic_cast<TPictureContainer*>(Collection()->Owner()) : nullptr;
}

TPicture* TPictureItem::Bitmap() {
  TPictureContainer* container = Container();
  if (container == nullptr) return nullptr;
  return container->NewScratchPicture(Picture());
}

// ---------------------------------------------------------------------------
// TPictureCollection

TF_PUBLISHED(TPictureCollection, TOwnedCollection) { return TPublished<TPictureCollection>(); }

TPictureCollection::TPictureCollection(TComponent* AOwner)
    : TOwnedCollection(AOwner, CollectionItemClassOf<TPictureItem>()), FOwner(AOwner) {}

bool TPictureCollection::Animate() {
  bool advanced = false;
  for (int i = 0; i < Count(); ++i)
    if (auto* picture = dynamic_cast<THTMLPicture*>(GetItem(i)->Picture()); picture && picture->Step())
      advanced = true;
  return advanced;
}

// ---------------------------------------------------------------------------
// TPictureContainer

TF_PUBLISHED(TPictureContainer, TComponent) {
  return TPublished<TPictureContainer>()
      .Object(
          "Items", [](const TPictureContainer& c) { return const_cast<TPictureContainer&>(c).Items(); },
          [](TPictureContainer& c, TPictureCollection* v) { c.SetItems(v); })
      .String("Version", &TPictureContainer::Version, &TPictureContainer::SetVersion)
      .Event("OnChange", &TPictureContainer::OnChange);
}

TPictureContainer::TPictureContainer(TComponent* AOwner) : TComponent(AOwner), FControls(std::make_unique<TList>()) {
  RegisterMiniHtmlPictures();
}

TPictureContainer::~TPictureContainer() {
  for (int i = 0; i < FControls->Count(); ++i)
    if (auto* control = static_cast<TControl*>(FControls->Items(i))) control->RemoveFreeNotification(this);
  FPicture.reset();
  FItems.reset();
}

std::unique_ptr<TPictureCollection> TPictureContainer::CreateItems() {
  return std::make_unique<TPictureCollection>(this);
}

TPictureCollection* TPictureContainer::Items() {
  if (!FItems) FItems = CreateItems();
  return FItems.get();
}

void TPictureContainer::SetItems(TPictureCollection* Value) {
  if (Value != nullptr && Value != Items()) Items()->Assign(Value);
}

int TPictureContainer::GetVersionNr() const { return 0x02010100; }

QString TPictureContainer::Version() const {
  const int v = GetVersionNr();
  return QStringLiteral("%1.%2.%3.%4")
      .arg((v >> 24) & 0xFF)
      .arg((v >> 16) & 0xFF)
      .arg((v >> 8) & 0xFF)
      .arg(v & 0xFF);
}

void TPictureContainer::Changed() {
  for (int i = 0; i < FControls->Count(); ++i)
    if (auto* control = static_cast<TControl*>(FControls->Items(i))) control->Invalidate();
  if (OnChange) OnChange(this);
}

TGraphic* TPictureContainer::FindPicture(const QString& Name) {
  const QString wanted = Name.toUpper();
  TPictureCollection* items = Items();
  for (int i = 0; i < items->Count(); ++i)
    if (items->GetItem(i)->Name().toUpper() == wanted) return items->GetItem(i)->Picture();
  return nullptr;
}

TPicture* TPictureContainer::NewScratchPicture(TGraphic* Source) {
  FPicture.reset();
  auto picture = std::make_unique<TPicture>();
  if (Source != nullptr) picture->SetGraphic(Source);
  FPicture = std::move(picture);
  return FPicture.get();
}

// The drawing facade finds named pictures of a container through this.
[[maybe_unused]] static const bool kFacadeLookupInstalled = [] {
  TKitGraphics::SetPictureContainerLookup(
      [](TPictureContainer* AContainer, const QString& AName) { return AContainer->FindBitmap(AName); });
  return true;
}();

TPicture* TPictureContainer::FindBitmap(const QString& Name) {
  FPicture.reset();
  TGraphic* found = FindPicture(Name);
  if (found == nullptr) return nullptr;
  return NewScratchPicture(found);
}

void TPictureContainer::RegisterControl(TControl* AControl) {
  if (AControl == nullptr) return;
  FControls->Add(AControl);
  // The container hears when the control dies and forgets it.
  AControl->FreeNotification(this);
}

void TPictureContainer::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove)
    while (FControls->Remove(AComponent) >= 0) {
    }
}

// ---------------------------------------------------------------------------
// The mini-HTML engines' access

namespace {

class TEnginePictures : public TMiniHtmlPictures {
 public:
  TGraphic* ContainerPicture(TPictureContainer* AContainer, const QString& AName) override {
    return AContainer ? AContainer->FindPicture(AName) : nullptr;
  }
  TPicture* ContainerBitmap(TPictureContainer* AContainer, const QString& AName) override {
    return AContainer ? AContainer->FindBitmap(AName) : nullptr;
  }
  TGraphic* CachePicture(THTMLPictureCache* ACache, const QString& AURL) override {
    if (!ACache || AURL.isEmpty()) return nullptr;
    if (THTMLPicture* found = ACache->FindPicture(AURL)) return found;
    THTMLPicture* picture = ACache->AddPicture();
    picture->SetAsynch(false);
    // Whether it loads or not, the picture keeps the URL as its ID, so that
    // it is not tried again.
    picture->LoadFromURL(AURL);
    return picture;
  }
  bool Details(TGraphic* AGraphic, TMiniHtmlPictureDetails& ADetails) override {
    auto* picture = dynamic_cast<THTMLPicture*>(AGraphic);
    if (!picture) return false;
    ADetails.HTMLPicture = true;
    ADetails.FrameCount = picture->FrameCount();
    ADetails.FrameXPos = picture->FrameXPos();
    ADetails.FrameYPos = picture->FrameYPos();
    ADetails.MaxWidth = picture->MaxWidth();
    ADetails.MaxHeight = picture->MaxHeight();
    return true;
  }
  void SetStretch(TGraphic* AGraphic, bool AStretch) override {
    if (auto* picture = dynamic_cast<THTMLPicture*>(AGraphic)) picture->SetStretch(AStretch);
  }
};

}  // namespace

void RegisterMiniHtmlPictures() {
  static TEnginePictures pictures;
  if (MiniHtmlPictures() != &pictures) SetMiniHtmlPictures(&pictures);
}
