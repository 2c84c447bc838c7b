// TGDIPPicture: the hint picture over the static GDI+ binding.

#include "gdiplus/GDIPicture.h"

#include <cstring>

#include "foundation/KitUtils.h"

using namespace KitGDIP;
using namespace KitGDIP::PictureDetail;

TPictureFormat PictureFormatOf(const QByteArray& Bytes) {
  const auto* d = reinterpret_cast<const uchar*>(Bytes.constData());
  const qsizetype n = Bytes.size();
  if (n < 44) return pfNone;
  auto le16 = [&](int at) { return uint32_t(d[at]) | (uint32_t(d[at + 1]) << 8); };
  auto le32 = [&](int at) { return le16(at) | (le16(at + 2) << 16); };
  if (d[0] == 'I' && d[1] == 'I') return le16(2) == 42 ? pfTiff : pfNone;
  if (d[0] == 'B' && d[1] == 'M') return pfBMP;
  if (d[0] == 'M' && d[1] == 'M') return (d[2] == 0x00 && d[3] == 0x2A) ? pfTiff : pfNone;
  if (d[0] == 0xFF && d[1] == 0xD8) return pfJPG;
  static const uchar png[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
  if (std::memcmp(d, png, 8) == 0) return pfPNG;
  if (le32(0) == 0x9AC6CDD7) return pfMetaFile;
  if (le32(0) == 1 && std::memcmp(d + 40, " EMF", 4) == 0) return pfMetaFile;
  if (d[0] == 'G' && d[1] == 'I' && d[2] == 'F') return pfGIF;
  if (le16(2) == 1) return pfICO;
  return pfNone;
}

TF_PUBLISHED(TGDIPPicture, TKitSVGBitmap) {
  return TPublished<TGDIPPicture>().Event("OnClear", &TGDIPPicture::OnClear);
}

TGDIPPicture::TGDIPPicture() = default;
TGDIPPicture::~TGDIPPicture() = default;

bool TGDIPPicture::Empty() const { return HasSVG() ? TKitSVGBitmap::Empty() : FIsEmpty; }
int TGDIPPicture::Width() const { return HasSVG() ? TKitSVGBitmap::Width() : FWidth; }
int TGDIPPicture::Height() const { return HasSVG() ? TKitSVGBitmap::Height() : FHeight; }

TPictureFormat TGDIPPicture::PictureFormat() const { return PictureFormatOf(FDatastream.Bytes()); }

void TGDIPPicture::Assign(TPersistent* Source) {
  FIsEmpty = true;
  if (Source == nullptr) {
    ClearSVG(this);
    FDatastream.Clear();
    Changed(this);
    if (OnClear) OnClear(this);
    return;
  }
  bool known = true;
  if (auto* picture = dynamic_cast<TGDIPPicture*>(Source)) {
    if (picture != this) {
      ClearSVG(this);
      if (picture->HasSVG()) {
        Quietly(this, [&] { TKitSVGBitmap::Assign(picture); });
        FDatastream.Clear();
      } else {
        FDatastream.Assign(picture->FDatastream);
        FIsEmpty = !FDatastream.HasBytes();
      }
    } else {
      FIsEmpty = !FDatastream.HasBytes() && !HasSVG();
    }
  } else if (auto* bitmap = dynamic_cast<TBitmap*>(Source)) {
    FDatastream.SetBytes(SavedBytesOf(bitmap));
    FIsEmpty = !FDatastream.HasBytes();
    if (!FIsEmpty) ClearSVG(this);
  } else if (auto* pic = dynamic_cast<TPicture*>(Source)) {
    FDatastream.SetBytes(SavedBytesOf(pic->Graphic()));
    FIsEmpty = false;
    ClearSVG(this);
  } else if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
    FDatastream.SetBytes(SavedBytesOf(graphic));
    FIsEmpty = false;
    ClearSVG(this);
  } else {
    known = false;
  }
  if (known) Changed(this);
  GetImageSizes();
}

void TGDIPPicture::LoadFromFile(const QString& FileName) {
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
    FFileName = FileName;
    if (OnClear) OnClear(this);
    GetImageSizes();
    Changed(this);
  } catch (const Exception&) {
    FIsEmpty = true;
  } catch (const std::bad_alloc&) {
    FIsEmpty = true;
  }
}

void TGDIPPicture::LoadFromStream(TStream* Stream) {
  if (Stream == nullptr) return;
  if (IsRasterData(Stream)) {
    ClearSVG(this);
    FDatastream.LoadFromStream(Stream);
  } else {
    FDatastream.Clear();
    Quietly(this, [&] { TKitSVGBitmap::LoadFromStream(Stream); });
  }
  FIsEmpty = false;
  GetImageSizes();
  Changed(this);
}

void TGDIPPicture::SaveToStream(TStream* Stream) {
  if (Stream == nullptr) return;
  if (HasSVG()) {
    TKitSVGBitmap::SaveToStream(Stream);
    return;
  }
  FDatastream.SaveToStream(Stream);
}

void TGDIPPicture::ReadData(TStream* Stream) {
  if (Stream == nullptr) return;
  if (IsRasterFormData(Stream)) {
    ClearSVG(this);
    FDatastream.CopyFrom(Stream, Stream->Size() - Stream->Position());
    FIsEmpty = false;
    return;
  }
  FDatastream.Clear();
  Quietly(this, [&] { TKitSVGBitmap::ReadData(Stream); });
  FIsEmpty = false;
}

void TGDIPPicture::WriteData(TStream* Stream) {
  if (HasSVG()) {
    TKitSVGBitmap::WriteData(Stream);
    return;
  }
  FDatastream.SaveToStream(Stream);
}

void TGDIPPicture::LoadFromResourceName(NativeInt Instance, const QString& ResName) {
  std::unique_ptr<TResourceStream> stream = TKitUtils::GetResourceStream(ResName, Instance);
  if (stream) LoadFromStream(stream.get());
}

void TGDIPPicture::LoadFromResourceID(NativeInt Instance, int ResID) {
  TResourceStream stream(Instance, QString::number(ResID));
  LoadFromStream(&stream);
}

void TGDIPPicture::LoadFromURL(const QString& url) {
  const QString upper = url.toUpper();
  if (upper.startsWith(QLatin1String("RES://"))) {
    const QString rest = url.mid(6);
    if (!rest.isEmpty()) LoadFromResourceName(TKitUtils::GetHInstance(), rest);
  } else if (upper.startsWith(QLatin1String("FILE://"))) {
    const QString rest = url.mid(7);
    if (!rest.isEmpty()) LoadFromFile(rest);
  }
}

bool TGDIPPicture::Equals(TGraphic* Graphic) {
  auto* other = dynamic_cast<TGDIPPicture*>(Graphic);
  if (other == nullptr) return false;
  if (HasSVG() || other->HasSVG()) return HasSVG() && other->HasSVG() && TKitSVGBitmap::Equals(other);
  return FDatastream.Bytes() == other->FDatastream.Bytes();
}

QImage TGDIPPicture::ToImage() {
  if (HasSVG()) return TKitSVGBitmap::ToImage();
  if (FIsEmpty || !FDatastream.HasBytes()) return QImage();
  TGPImage* image = FDatastream.Image();
  if (image == nullptr) return QImage();
  return RenderImage(image, FDatastream.ImageWidth(), FDatastream.ImageHeight());
}

void TGDIPPicture::DrawSVG(TGPGraphics* Graphics, float X, float Y, float W, float H) {
  DrawSVGOnGraphics(this, Graphics, X, Y, W, H);
}

bool TGDIPPicture::GetImageSizes() {
  if (HasSVG()) return true;
  if (FIsEmpty || !FDatastream.HasBytes()) return false;
  FDatastream.Image();  // decodes once; the sizes come from the decoded picture
  FWidth = FDatastream.ImageWidth();
  FHeight = FDatastream.ImageHeight();
  return true;
}

void TGDIPPicture::DrawImage(TGPGraphics* Graphics, int X, int Y) {
  if (Graphics == nullptr) return;
  if (HasSVG()) {
    DrawSVG(Graphics, float(X), float(Y), float(Width()), float(Height()));
    return;
  }
  if (FIsEmpty || !FDatastream.HasBytes()) return;
  if (TGPImage* image = FDatastream.Image()) Graphics->DrawImage(image, X, Y);
}

void TGDIPPicture::DrawImageRect(TGPGraphics* Graphics, int X, int Y, int W, int H) {
  if (Graphics == nullptr) return;
  if (HasSVG()) {
    DrawSVG(Graphics, float(X), float(Y), float(W), float(H));
    return;
  }
  if (FIsEmpty || !FDatastream.HasBytes()) return;
  if (TGPImage* image = FDatastream.Image()) Graphics->DrawImageRect(image, X, Y, W, H);
}

void TGDIPPicture::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (HasSVG()) {
    TKitSVGBitmap::Draw(ACanvas, Rect);
    return;
  }
  if (FIsEmpty || !FDatastream.HasBytes() || ACanvas == nullptr) return;
  TGPImage* image = FDatastream.Image();
  if (image == nullptr) return;
  if (image->GetFormat() == ifBMP && FTransparentBitmap) {
    TBitmap bitmap;
    try {
      FDatastream.Stream()->SetPosition(0);
      bitmap.LoadFromStream(FDatastream.Stream());
      FDatastream.Stream()->SetPosition(0);
      bitmap.SetTransparent(true);
      bitmap.SetTransparentMode(tmAuto);
      ACanvas->StretchDraw(Rect, &bitmap);
      return;
    } catch (const Exception&) {
      FDatastream.Stream()->SetPosition(0);  // drawn by GDI+ below
    }
  }
  FWidth = FDatastream.ImageWidth();
  FHeight = FDatastream.ImageHeight();
  TGPGraphics graphics(ACanvas->Handle());
  if (FAngle != 0) {
    // About the centre of the image's own size placed at the top-left.
    TGPMatrix matrix;
    matrix.RotateAt(REAL(FAngle), TGPPointF{REAL(Rect.Left + FWidth / 2.0), REAL(Rect.Top + FHeight / 2.0)},
                    MatrixOrderPrepend);
    graphics.SetTransform(&matrix);
  }
  graphics.DrawImageRect(image, Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
  if (FAngle != 0) graphics.ResetTransform();
}
