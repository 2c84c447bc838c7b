// TCustomImageList and TImageList.

#include "platform/vcl/ImgList.h"

#include <QPainter>

#include "platform/vcl/GraphicsConsts.h"

TF_PUBLISHED(TCustomImageList, TComponent) {
  return TPublished<TCustomImageList>()
      .Color("BkColor", &TCustomImageList::BkColor, &TCustomImageList::SetBkColor)
      .Default(clNone)
      .Color("BlendColor", &TCustomImageList::BlendColor, &TCustomImageList::SetBlendColor)
      .Default(clNone)
      .Enum("DrawingStyle", &TCustomImageList::DrawingStyle, &TCustomImageList::SetDrawingStyle)
      .Default(dsNormal)
      .Integer("Height", &TCustomImageList::Height, &TCustomImageList::SetHeight)
      .Default(16)
      .Enum("ImageType", &TCustomImageList::ImageType, &TCustomImageList::SetImageType)
      .Default(itImage)
      .Boolean("Masked", &TCustomImageList::Masked, &TCustomImageList::SetMasked)
      .Default(true)
      .Integer("Width", &TCustomImageList::Width, &TCustomImageList::SetWidth)
      .Default(16)
      .Event("OnChange", &TCustomImageList::OnChange);
}

TF_PUBLISHED(TImageList, TCustomImageList) { return TPublished<TImageList>(); }

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::TCustomImageList(TComponent* AOwner, int AWidth, int AHeight) : TComponent(AOwner) {
  SetSize(AWidth, AHeight);
}

TCustomImageList::~TCustomImageList() = default;

void TCustomImageList::Change() {
  if (OnChange) OnChange(this);
}

void TCustomImageList::Assign(TPersistent* Source) {
  if (auto* list = dynamic_cast<TCustomImageList*>(Source)) {
    if (list == this) return;
    FWidth = list->FWidth;
    FHeight = list->FHeight;
    FBkColor = list->FBkColor;
    FBlendColor = list->FBlendColor;
    FDrawingStyle = list->FDrawingStyle;
    FImageType = list->FImageType;
    FMasked = list->FMasked;
    FImages = list->FImages;
    Change();
    return;
  }
  TComponent::Assign(Source);
}

void TCustomImageList::SetSize(int AWidth, int AHeight) {
  AWidth = std::max(AWidth, 1);
  AHeight = std::max(AHeight, 1);
  if (AWidth == FWidth && AHeight == FHeight) return;
  if (AWidth > MaxImageSide || AHeight > MaxImageSide || int64_t(AWidth) * AHeight > MaxImagePixels)
    throw EInvalidOperation(QString::fromLatin1(GraphicsConsts::SInvalidImageSize));
  FWidth = AWidth;
  FHeight = AHeight;
  FImages.clear();
  Change();
}

void TCustomImageList::SetBkColor(TColor Value) {
  if (Value == FBkColor) return;
  FBkColor = Value;
  Change();
}

void TCustomImageList::SetBlendColor(TColor Value) {
  if (Value == FBlendColor) return;
  FBlendColor = Value;
  Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle Value) {
  if (Value == FDrawingStyle) return;
  FDrawingStyle = Value;
  Change();
}

void TCustomImageList::SetImageType(TImageType Value) {
  if (Value == FImageType) return;
  FImageType = Value;
  Change();
}

void TCustomImageList::SetMasked(bool Value) {
  if (Value == FMasked) return;
  FMasked = Value;
  Change();
}

void TCustomImageList::CheckIndex(int Index, bool AllowCount) const {
  if (Index < 0 || Index > Count() || (Index == Count() && !AllowCount))
    throw EInvalidOperation(QString::fromLatin1(GraphicsConsts::SImageIndexError));
}

QImage TCustomImageList::ImageFrom(TBitmap* Image, int Strip, TBitmap* Mask, bool UseColor, TColor MaskColor) const {
  const QImage source = Image->ToImage();
  // Pixels outside the bitmap come out transparent. Straight alpha keeps the
  // colours of masked pixels, for drawing with masks off.
  QImage image = source.copy(Strip * FWidth, 0, FWidth, FHeight).convertToFormat(QImage::Format_ARGB32);
  if (UseColor) {
    const TColor key = MaskColor == clDefault ? (Image->TransparentMode() == tmFixed
                                                     ? Image->TransparentColor()
                                                     : TColor(Image->Canvas()->Pixels(0, Image->Height() - 1)))
                                              : MaskColor;
    const uint32_t rgb = uint32_t(ColorToRGB(key)) & 0xFFFFFF;
    const uint32_t pixel = ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
    for (int y = 0; y < image.height(); ++y) {
      auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x)
        if ((row[x] >> 24) == 0xFF && (row[x] & 0xFFFFFF) == pixel) row[x] &= 0x00FFFFFFu;
    }
  } else if (Mask && !Mask->Empty()) {
    const QImage mask = Mask->ToImage().copy(Strip * FWidth, 0, FWidth, FHeight);
    for (int y = 0; y < image.height(); ++y) {
      auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
      const auto* m = reinterpret_cast<const uint32_t*>(mask.constScanLine(y));
      for (int x = 0; x < image.width(); ++x)
        if ((m[x] & 0xFFFFFF) == 0xFFFFFF) row[x] &= 0x00FFFFFFu;
    }
  }
  return image;
}

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
  if (!Image || Image->Width() < FWidth || Image->Height() == 0) return -1;
  const int first = Count();
  for (int strip = 0, n = Image->Width() / FWidth; strip < n; ++strip)
    FImages.push_back(ImageFrom(Image, strip, Mask, false, clNone));
  Change();
  return first;
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
  if (!Image || Image->Width() < FWidth || Image->Height() == 0) return -1;
  const int first = Count();
  for (int strip = 0, n = Image->Width() / FWidth; strip < n; ++strip)
    FImages.push_back(ImageFrom(Image, strip, nullptr, true, MaskColor));
  Change();
  return first;
}

int TCustomImageList::AddIcon(TIcon* Image) {
  if (!Image || Image->Empty()) return -1;
  QImage image = Image->ToImage();
  if (image.width() != FWidth || image.height() != FHeight)
    image = image.scaled(FWidth, FHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  FImages.push_back(image.convertToFormat(QImage::Format_ARGB32));
  Change();
  return Count() - 1;
}

void TCustomImageList::Insert(int Index, TBitmap* Image, TBitmap* Mask) {
  CheckIndex(Index, true);
  if (!Image || Image->Empty()) return;
  FImages.insert(FImages.begin() + Index, ImageFrom(Image, 0, Mask, false, clNone));
  Change();
}

void TCustomImageList::InsertMasked(int Index, TBitmap* Image, TColor MaskColor) {
  CheckIndex(Index, true);
  if (!Image || Image->Empty()) return;
  FImages.insert(FImages.begin() + Index, ImageFrom(Image, 0, nullptr, true, MaskColor));
  Change();
}

void TCustomImageList::Replace(int Index, TBitmap* Image, TBitmap* Mask) {
  CheckIndex(Index);
  if (!Image || Image->Empty()) return;
  FImages[size_t(Index)] = ImageFrom(Image, 0, Mask, false, clNone);
  Change();
}

void TCustomImageList::ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor) {
  CheckIndex(Index);
  if (!NewImage || NewImage->Empty()) return;
  FImages[size_t(Index)] = ImageFrom(NewImage, 0, nullptr, true, MaskColor);
  Change();
}

void TCustomImageList::Delete(int Index) {
  CheckIndex(Index);
  FImages.erase(FImages.begin() + Index);
  Change();
}

void TCustomImageList::Move(int CurIndex, int NewIndex) {
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  if (CurIndex == NewIndex) return;
  QImage image = FImages[size_t(CurIndex)];
  FImages.erase(FImages.begin() + CurIndex);
  FImages.insert(FImages.begin() + NewIndex, image);
  Change();
}

void TCustomImageList::Clear() {
  if (FImages.empty()) return;
  FImages.clear();
  Change();
}

QImage TCustomImageList::GetImage(int Index) const {
  if (Index < 0 || Index >= Count()) return QImage();
  return FImages[size_t(Index)].convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) {
  Draw(Canvas, X, Y, Index, FDrawingStyle, FImageType, Enabled);
}

namespace {
// Mixes a colour into the image's visible pixels by Amount/256 (straight
// alpha).
void BlendInto(QImage& image, TColor color, int amount) {
  const uint32_t rgb = uint32_t(ColorToRGB(color)) & 0xFFFFFF;
  const int cr = int(rgb & 0xFF), cg = int((rgb >> 8) & 0xFF), cb = int((rgb >> 16) & 0xFF);
  auto mix = [&](int v, int c) { return uint32_t((v * (256 - amount) + c * amount) >> 8); };
  for (int y = 0; y < image.height(); ++y) {
    auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      if ((row[x] >> 24) == 0) continue;
      row[x] = (row[x] & 0xFF000000u) | (mix(int((row[x] >> 16) & 0xFF), cr) << 16) |
               (mix(int((row[x] >> 8) & 0xFF), cg) << 8) | mix(int(row[x] & 0xFF), cb);
    }
  }
}
}  // namespace

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle,
                            TImageType AImageType, bool Enabled) {
  if (!Canvas || Index < 0 || Index >= Count()) return;
  QImage image = FImages[size_t(Index)];
  if (AImageType == itMask) {
    // The mask: black where the image shows, white where it is transparent.
    QImage mask(image.size(), QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
      const auto* src = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
      auto* dst = reinterpret_cast<uint32_t*>(mask.scanLine(y));
      for (int x = 0; x < image.width(); ++x) dst[x] = (src[x] >> 24) ? 0xFF000000u : 0xFFFFFFFFu;
    }
    image = mask;
  } else {
    if (!FMasked) {
      for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) row[x] |= 0xFF000000u;
      }
    }
    if (!Enabled) {
      // Disabled: a light grey of the image's brightness.
      for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
          const uint32_t grey = 128 + uint32_t(qGray(row[x])) / 2;
          row[x] = (row[x] & 0xFF000000u) | (grey << 16) | (grey << 8) | grey;
        }
      }
    } else if (ADrawingStyle == dsFocus || ADrawingStyle == dsSelected) {
      const TColor blend = FBlendColor == clNone || FBlendColor == clDefault ? clHighlight : FBlendColor;
      BlendInto(image, blend, ADrawingStyle == dsFocus ? 64 : 128);
    }
  }
  if (ADrawingStyle == dsNormal && FBkColor != clNone && AImageType == itImage) {
    QImage under(image.size(), QImage::Format_ARGB32);
    const uint32_t rgb = uint32_t(ColorToRGB(FBkColor)) & 0xFFFFFF;
    under.fill(QColor(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF)));
    QPainter painter(&under);
    painter.drawImage(0, 0, image);
    painter.end();
    image = under;
  }
  TBitmap bitmap;
  bitmap.AssignImage(image);
  Canvas->Draw(X, Y, &bitmap);
}

bool TCustomImageList::GetBitmap(int Index, TBitmap* Image) {
  if (!Image || Index < 0 || Index >= Count()) return false;
  Image->SetSize(FWidth, FHeight);
  Draw(Image->Canvas(), 0, 0, Index);
  return true;
}
