// TGraphic, TPicture and the file-format registry.

#include <atomic>
#include <QBuffer>
#include <QImageReader>
#include <mutex>
#include <vector>

#include "platform/rtl/ComponentStreaming.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/vcl/GIFImg.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/GraphicsConsts.h"
#include "platform/vcl/GraphicsPrivate.h"
#include "platform/vcl/ImagingGraphics.h"
#include "platform/vcl/Jpeg.h"
#include "platform/vcl/PngImage.h"

// ---------------------------------------------------------------------------
// Shared helpers

namespace vclgraphics {

QByteArray PeekBytes(TStream* Stream, int Count) {
  QByteArray bytes;
  if (!Stream || Count <= 0) return bytes;
  const Int64 start = Stream->Position();
  bytes.resize(Count);
  const Int64 got = Stream->Read(bytes.data(), Count);
  bytes.resize(int(std::max<Int64>(got, 0)));
  Stream->SetPosition(start);
  return bytes;
}

QByteArray ReadToEnd(TStream* Stream) {
  QByteArray bytes;
  if (!Stream) return bytes;
  const Int64 start = Stream->Position();
  const Int64 size = Stream->Size();
  if (size > start) {
    if (size - start > Int64(std::numeric_limits<int>::max() - 64))
      InvalidGraphic(QStringLiteral("Picture data too large"));
    bytes.reserve(int(size - start));
  }
  char chunk[65536];
  for (;;) {
    const Int64 got = Stream->Read(chunk, sizeof(chunk));
    if (got <= 0) break;
    if (bytes.size() + got > Int64(std::numeric_limits<int>::max() - 64))
      InvalidGraphic(QStringLiteral("Picture data too large"));
    bytes.append(chunk, int(got));
  }
  return bytes;
}

void WriteBytes(TStream* Stream, const QByteArray& Bytes) {
  if (!Bytes.isEmpty()) Stream->WriteBuffer(Bytes.constData(), Bytes.size());
}

void InvalidGraphic(const QString& Message) { throw EInvalidGraphic(Message); }
void InvalidGraphic(const char* Message) { throw EInvalidGraphic(QString::fromLatin1(Message)); }

bool HasAlpha(const QImage& Image) {
  if (Image.isNull() || !Image.hasAlphaChannel()) return false;
  const QImage img = Image.format() == QImage::Format_ARGB32 || Image.format() == QImage::Format_ARGB32_Premultiplied
                         ? Image
                         : Image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < img.height(); ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(img.constScanLine(y));
    for (int x = 0; x < img.width(); ++x)
      if ((row[x] >> 24) != 0xFF) return true;
  }
  return false;
}

QImage DecodeWithQt(const QByteArray& Bytes, const char* Format) {
  QBuffer buffer;
  buffer.setData(Bytes);
  if (!buffer.open(QIODevice::ReadOnly)) return QImage();
  QImageReader reader(&buffer, Format);
  reader.setDecideFormatFromContent(false);
  // Qt's own allocation cap (in megabytes) is lower than ours; it is raised
  // once to the largest image the graphics accept. The fuzz build's smaller
  // limit is Qt's cap too, so that Qt does not decode what would be refused.
  static std::once_flag limitOnce;
  std::call_once(limitOnce, [] {
    const int needed = int(MaxImagePixels * 4 / (1024 * 1024)) + 1;
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    QImageReader::setAllocationLimit(needed);
#else
    if (QImageReader::allocationLimit() < needed) QImageReader::setAllocationLimit(needed);
#endif
  });
  const QSize size = reader.size();
  if (size.isValid() && (size.width() <= 0 || size.height() <= 0 || size.width() > MaxImageSide ||
                         size.height() > MaxImageSide || int64_t(size.width()) * size.height() > MaxImagePixels))
    return QImage();
  QImage image;
  if (!reader.read(&image) || image.isNull()) return QImage();
  // Some readers cannot tell the size before decoding (a GIF with blocks
  // they do not know): the decoded picture is held to the limits too.
  if (image.width() > MaxImageSide || image.height() > MaxImageSide ||
      int64_t(image.width()) * image.height() > MaxImagePixels)
    return QImage();
  return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace vclgraphics

using namespace vclgraphics;

void CheckImageSize(int64_t Width, int64_t Height) {
  if (Width < 0 || Height < 0 || Width > MaxImageSide || Height > MaxImageSide || Width * Height > MaxImagePixels)
    throw EInvalidGraphic(Format(QString::fromLatin1(GraphicsConsts::SImageTooLarge), {Width, Height}));
}

// ---------------------------------------------------------------------------
// TGraphicClass

QString TGraphicClass::ClassName() const { return FInfo ? FInfo->ClassName() : QString(); }

std::unique_ptr<TGraphic> TGraphicClass::Create() const {
  if (!FInfo || !FInfo->CanCreate())
    throw EInvalidGraphic(Format(QString::fromLatin1(GraphicsConsts::SUnknownGraphicClass), {ClassName()}));
  std::unique_ptr<TObject> obj = FInfo->Create();
  auto* graphic = dynamic_cast<TGraphic*>(obj.get());
  if (!graphic)
    throw EInvalidGraphic(Format(QString::fromLatin1(GraphicsConsts::SUnknownGraphicClass), {ClassName()}));
  obj.release();
  return std::unique_ptr<TGraphic>(graphic);
}

bool TGraphicClass::CanLoadFromStream(TStream* Stream) const {
  if (!FCanLoad || !Stream) return false;
  const Int64 start = Stream->Position();
  bool result = false;
  try {
    result = FCanLoad(Stream);
  } catch (const Exception&) {
    result = false;
  }
  Stream->SetPosition(start);
  return result;
}

bool TGraphicClass::InheritsFrom(const TGraphicClass& Ancestor) const {
  return FInfo && Ancestor.FInfo && FInfo->InheritsFrom(Ancestor.FInfo);
}

// ---------------------------------------------------------------------------
// TGraphic

TF_PUBLISHED(TGraphic, TPersistent) { return TPublished<TGraphic>(); }

void TGraphic::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  Changed(this);
}

void TGraphic::SetModified(bool Value) {
  if (Value) Changed(this);
  else FModified = false;
}

uint64_t TGraphic::NextGraphicSerial() {
  static std::atomic<uint64_t> serial{0};
  return ++serial;
}

void TGraphic::Changed(TObject* Sender) {
  ++FChangeCount;
  FModified = true;
  if (OnChange) OnChange(this);
}

void TGraphic::LoadFromFile(const QString& FileName) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TGraphic::SaveToFile(const QString& FileName) {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream);
}

namespace {

// Streamed picture data that does not load is a damaged stream for the
// component reader: a block that ends early stays "Stream read error", any
// other failure to load becomes "Invalid property value".
template <class F>
void ReadStreamedData(F&& read) {
  try {
    read();
  } catch (const EReadError&) {
    throw;
  } catch (const Exception&) {
    throw EReadError(QString::fromUtf8(RtlConsts::SInvalidPropertyValue));
  }
}

}  // namespace

void TGraphic::DefineProperties(TFiler* Filer) {
  TPersistent::DefineProperties(Filer);
  Filer->DefineBinaryProperty(
      QStringLiteral("Data"), [this](TStream* Stream) { ReadStreamedData([&] { ReadData(Stream); }); },
      [this](TStream* Stream) { WriteData(Stream); }, !Empty());
}

void TGraphic::ReadData(TStream* Stream) { LoadFromStream(Stream); }

void TGraphic::WriteData(TStream* Stream) { SaveToStream(Stream); }

bool TGraphic::Equals(TGraphic* Graphic) {
  if (!Graphic) return false;
  if (Graphic == this) return true;
  if (ClassName() != Graphic->ClassName()) return false;
  if (Empty() != Graphic->Empty()) return false;
  if (Empty()) return true;
  TMemoryStream a, b;
  WriteData(&a);
  Graphic->WriteData(&b);
  return a.Size() == b.Size() && std::memcmp(a.Memory(), b.Memory(), size_t(a.Size())) == 0;
}

void TGraphic::DrawTransparent(TCanvas* ACanvas, const TRect& Rect, Byte Opacity) {
  TBitmap bitmap;
  bitmap.AssignImage(ToImage());
  if (bitmap.Empty()) return;
  DrawGraphicTransparent(&bitmap, ACanvas, Rect, Opacity);
}

// ---------------------------------------------------------------------------
// File-format registry

namespace {

struct TFileFormat {
  QString Extension;
  QString Description;
  TGraphicClass GraphicClass;
};

class TFileFormats {
 public:
  static TFileFormats& Instance() {
    static TFileFormats formats;
    return formats;
  }

  void Add(const QString& ext, const QString& description, TGraphicClass cls) {
    std::lock_guard<std::mutex> lock(FMutex);
    const QString key = Normalise(ext);
    std::erase_if(FList, [&](const TFileFormat& f) { return f.Extension == key; });
    FList.push_back({key, description, cls});
  }

  void Remove(TGraphicClass cls) {
    std::lock_guard<std::mutex> lock(FMutex);
    std::erase_if(FList, [&](const TFileFormat& f) { return f.GraphicClass.InheritsFrom(cls); });
  }

  // The formats, latest registered first.
  std::vector<TFileFormat> Snapshot() {
    std::lock_guard<std::mutex> lock(FMutex);
    return std::vector<TFileFormat>(FList.rbegin(), FList.rend());
  }

  static QString Normalise(QString ext) {
    if (ext.startsWith(u'.')) ext.remove(0, 1);
    return ext.toLower();
  }

 private:
  TFileFormats() {
    // Built-in formats, in registration order.
    FList.push_back({QStringLiteral("ico"), QStringLiteral("Icons"), TGraphicClass::Of<TIcon>()});
    FList.push_back({QStringLiteral("bmp"), QStringLiteral("Bitmaps"), TGraphicClass::Of<TBitmap>()});
    FList.push_back({QStringLiteral("jpeg"), QStringLiteral("JPEG Image File"), TGraphicClass::Of<TJPEGImage>()});
    FList.push_back({QStringLiteral("jpg"), QStringLiteral("JPEG Image File"), TGraphicClass::Of<TJPEGImage>()});
    FList.push_back({QStringLiteral("png"), QStringLiteral("Portable Network Graphics"), TGraphicClass::Of<TPngImage>()});
    FList.push_back({QStringLiteral("gif"), QStringLiteral("GIF Image"), TGraphicClass::Of<TGIFImage>()});
    FList.push_back({QStringLiteral("tif"), QStringLiteral("TIFF Image"), TGraphicClass::Of<TWICImage>()});
    FList.push_back({QStringLiteral("tiff"), QStringLiteral("TIFF Image"), TGraphicClass::Of<TWICImage>()});
    FList.push_back({QStringLiteral("wmf"), QStringLiteral("Metafiles"), TGraphicClass::Of<TMetafile>()});
    FList.push_back({QStringLiteral("emf"), QStringLiteral("Enhanced Metafiles"), TGraphicClass::Of<TMetafile>()});
  }

  std::mutex FMutex;
  std::vector<TFileFormat> FList;
};

}  // namespace

QString GraphicFilter(TGraphicClass GraphicClass) {
  QStringList masks, entries;
  for (const TFileFormat& f : TFileFormats::Instance().Snapshot()) {
    if (!f.GraphicClass.InheritsFrom(GraphicClass)) continue;
    const QString mask = QStringLiteral("*.") + f.Extension;
    masks << mask;
    entries << QStringLiteral("%1 (%2)|%2").arg(f.Description, mask);
  }
  if (entries.size() > 1) {
    const QString all = masks.join(u';');
    entries.prepend(QStringLiteral("All (%1)|%1").arg(all));
  }
  return entries.join(u'|');
}

QString GraphicExtension(TGraphicClass GraphicClass) {
  for (const TFileFormat& f : TFileFormats::Instance().Snapshot())
    if (f.GraphicClass == GraphicClass) return f.Extension;
  return QString();
}

QString GraphicFileMask(TGraphicClass GraphicClass) {
  QStringList masks;
  for (const TFileFormat& f : TFileFormats::Instance().Snapshot())
    if (f.GraphicClass.InheritsFrom(GraphicClass)) masks << QStringLiteral("*.") + f.Extension;
  return masks.join(u';');
}

// ---------------------------------------------------------------------------
// TPicture

TF_PUBLISHED(TPicture, TPersistent) { return TPublished<TPicture>(); }

TPicture::TPicture() = default;

TPicture::~TPicture() {
  if (FGraphic) FGraphic->OnChange = nullptr;
}

void TPicture::RegisterFileFormat(const QString& Extension, const QString& Description, TGraphicClass GraphicClass) {
  if (Extension.isEmpty() || !GraphicClass) return;
  TFileFormats::Instance().Add(Extension, Description, GraphicClass);
}

void TPicture::UnregisterGraphicClass(TGraphicClass AClass) {
  if (AClass) TFileFormats::Instance().Remove(AClass);
}

TGraphicClass TPicture::FindGraphicClass(const QString& Extension) {
  const QString key = TFileFormats::Normalise(Extension);
  if (key.isEmpty()) return TGraphicClass();
  for (const TFileFormat& f : TFileFormats::Instance().Snapshot())
    if (f.Extension == key) return f.GraphicClass;
  return TGraphicClass();
}

TGraphicClass TPicture::FindGraphicClass(TStream* Stream) {
  if (!Stream) return TGraphicClass();
  for (const TFileFormat& f : TFileFormats::Instance().Snapshot())
    if (f.GraphicClass.CanLoadFromStream(Stream)) return f.GraphicClass;
  return TGraphicClass();
}

TGraphicClass TPicture::FindGraphicClassByName(const QString& ClassName) {
  for (const TFileFormat& f : TFileFormats::Instance().Snapshot())
    if (f.GraphicClass.ClassName().compare(ClassName, Qt::CaseInsensitive) == 0) return f.GraphicClass;
  return TGraphicClass();
}

void TPicture::Changed(TObject* Sender) {
  if (OnChange) OnChange(this);
}

void TPicture::Take(std::unique_ptr<TGraphic> Graphic) {
  if (FGraphic) FGraphic->OnChange = nullptr;
  FGraphic = std::move(Graphic);
  if (FGraphic) FGraphic->OnChange = [this](TObject* Sender) { Changed(Sender); };
}

void TPicture::SetGraphic(TGraphic* Value) {
  if (Value == FGraphic.get()) return;
  if (!Value) {
    Take(nullptr);
    Changed(this);
    return;
  }
  const TClassInfo* info = ClassInfoOf(Value);
  if (!info)
    throw EInvalidGraphic(Format(QString::fromLatin1(GraphicsConsts::SUnknownGraphicClass), {Value->ClassName()}));
  std::unique_ptr<TGraphic> copy = TGraphicClass(info, nullptr).Create();
  copy->Assign(Value);
  Take(std::move(copy));
  Changed(this);
}

void TPicture::ForceType(TGraphicClass AClass) {
  const TClassInfo* current = FGraphic ? ClassInfoOf(FGraphic.get()) : nullptr;
  if (current && current->InheritsFrom(AClass.ClassInfo())) return;
  Take(AClass.Create());
  Changed(this);
}

TBitmap* TPicture::Bitmap() {
  if (!dynamic_cast<TBitmap*>(FGraphic.get())) ForceType(TGraphicClass::Of<TBitmap>());
  return static_cast<TBitmap*>(FGraphic.get());
}

TIcon* TPicture::Icon() {
  if (!dynamic_cast<TIcon*>(FGraphic.get())) ForceType(TGraphicClass::Of<TIcon>());
  return static_cast<TIcon*>(FGraphic.get());
}

void TPicture::Assign(TPersistent* Source) {
  if (!Source) {
    SetGraphic(nullptr);
  } else if (auto* p = dynamic_cast<TPicture*>(Source)) {
    if (p != this) SetGraphic(p->Graphic());
  } else if (auto* g = dynamic_cast<TGraphic*>(Source)) {
    SetGraphic(g);
  } else {
    TPersistent::Assign(Source);
  }
}

void TPicture::AssignTo(TPersistent* Dest) {
  if (auto* g = dynamic_cast<TGraphic*>(Dest)) {
    g->Assign(FGraphic.get());
    return;
  }
  TPersistent::AssignTo(Dest);
}

void TPicture::LoadFromFile(const QString& Filename) {
  const QString ext = TFileFormats::Normalise(ExtractFileExt(Filename));
  TFileStream stream(Filename, fmOpenRead | fmShareDenyWrite);
  TGraphicClass cls = FindGraphicClass(ext);
  if (!cls) cls = FindGraphicClass(&stream);
  try {
    if (!cls) throw EInvalidGraphic(Format(QString::fromLatin1(GraphicsConsts::SUnknownExtension), {ext}));
    std::unique_ptr<TGraphic> graphic = cls.Create();
    graphic->LoadFromStream(&stream);
    Take(std::move(graphic));
  } catch (...) {
    Take(nullptr);
    Changed(this);
    throw;
  }
  Changed(this);
}

void TPicture::SaveToFile(const QString& Filename) {
  if (FGraphic) FGraphic->SaveToFile(Filename);
}

void TPicture::LoadFromStream(TStream* Stream) {
  try {
    const TGraphicClass cls = FindGraphicClass(Stream);
    if (!cls) throw EInvalidGraphic(QString::fromLatin1(GraphicsConsts::SUnknownStreamFormat));
    std::unique_ptr<TGraphic> graphic = cls.Create();
    graphic->LoadFromStream(Stream);
    Take(std::move(graphic));
  } catch (...) {
    Take(nullptr);
    Changed(this);
    throw;
  }
  Changed(this);
}

void TPicture::SaveToStream(TStream* Stream) {
  if (FGraphic) FGraphic->SaveToStream(Stream);
}

void TPicture::ReadData(TStream* Stream) {
  Byte length = 0;
  Stream->ReadBuffer(&length, 1);
  QByteArray name(length, '\0');
  if (length > 0) Stream->ReadBuffer(name.data(), length);
  const QString className = QString::fromLatin1(name);
  if (className.isEmpty()) {
    Take(nullptr);
    Changed(this);
    return;
  }
  TGraphicClass cls = FindGraphicClassByName(className);
  if (!cls) {
    const TClassInfo* info = GetClass(className);
    if (info && info->InheritsFrom(::ClassInfo<TGraphic>())) cls = TGraphicClass(info, nullptr);
  }
  if (!cls) throw EInvalidGraphic(Format(QString::fromLatin1(GraphicsConsts::SUnknownGraphicClass), {className}));
  std::unique_ptr<TGraphic> graphic = cls.Create();
  graphic->ReadData(Stream);
  Take(std::move(graphic));
  Changed(this);
}

void TPicture::DefineProperties(TFiler* Filer) {
  TPersistent::DefineProperties(Filer);
  Filer->DefineBinaryProperty(
      QStringLiteral("Data"), [this](TStream* Stream) { ReadStreamedData([&] { ReadData(Stream); }); },
      [this](TStream* Stream) { WriteData(Stream); }, FGraphic != nullptr);
}

void TPicture::WriteData(TStream* Stream) {
  const QByteArray name = FGraphic ? FGraphic->ClassName().toLatin1().left(255) : QByteArray();
  const Byte length = Byte(name.size());
  Stream->WriteBuffer(&length, 1);
  if (length > 0) Stream->WriteBuffer(name.constData(), length);
  if (FGraphic) FGraphic->WriteData(Stream);
}

// ---------------------------------------------------------------------------
// TDecodedPicture

namespace vclgraphics {

void TDecodedPicture::Clear() {
  Image = QImage();
  Data.clear();
  HasAlpha = false;
  Bitmap.reset();
}

void TDecodedPicture::SetImage(const QImage& Value, const QByteArray& Bytes) {
  Bitmap.reset();
  if (Value.isNull()) {
    Clear();
    return;
  }
  Image = Value.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  Data = Bytes;
  HasAlpha = vclgraphics::HasAlpha(Image);
}

void TDecodedPicture::Resize(int AWidth, int AHeight) {
  if (AWidth <= 0 || AHeight <= 0) {
    Clear();
    return;
  }
  QImage resized(AWidth, AHeight, QImage::Format_ARGB32_Premultiplied);
  resized.fill(0);
  for (int y = 0; y < std::min(AHeight, Image.height()); ++y)
    std::memcpy(resized.scanLine(y), Image.constScanLine(y), size_t(std::min(AWidth, Image.width())) * 4);
  SetImage(resized);
}

TBitmap* TDecodedPicture::DrawBitmap() {
  if (!Bitmap && !Image.isNull()) {
    Bitmap = std::make_unique<TBitmap>();
    Bitmap->AssignImage(Image);
  }
  return Bitmap.get();
}

}  // namespace vclgraphics

namespace vclgraphics {

TDecodedPicture::TAssignResult TDecodedPicture::AssignFrom(TPersistent* Source, const TDecodedPicture* SameClass) {
  if (!Source) {
    Clear();
    return TAssignResult::Changed;
  }
  if (SameClass) {
    if (SameClass == this) return TAssignResult::Unchanged;
    SetImage(SameClass->Image, SameClass->Data);
    return TAssignResult::Changed;
  }
  if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
    SetImage(graphic->ToImage());
    return TAssignResult::Changed;
  }
  return TAssignResult::Unhandled;
}

bool TDecodedPicture::SetSize(int AWidth, int AHeight) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  if (AWidth == Image.width() && AHeight == Image.height()) return false;
  CheckImageSize(AWidth, AHeight);
  Resize(AWidth, AHeight);
  return true;
}

}  // namespace vclgraphics
