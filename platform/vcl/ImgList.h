#pragma once
// Image lists: a row of equally sized images with masks, drawn by index.

#include <QImage>
#include <memory>
#include <vector>

#include "platform/rtl/Components.h"
#include "platform/vcl/Graphics.h"

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
TF_ENUM_NAMES(TDrawingStyle, dsFocus, dsSelected, dsNormal, dsTransparent)

enum TImageType { itImage, itMask };
TF_ENUM_NAMES(TImageType, itImage, itMask)

// A list of images of Width x Height pixels (16 x 16 unless set). Each
// image keeps which pixels are transparent: from a mask bitmap (white =
// transparent), a mask colour, an icon's alpha or a 32-bit bitmap's alpha.
// Drawing blends the image over the canvas; a disabled image is drawn in
// light grey. Changing the size empties the list.
//
// Published: BkColor, BlendColor, DrawingStyle, Height, ImageType, Masked,
// Width, OnChange.
class TCustomImageList : public TComponent {
 public:
  TF_DECLARE_PUBLISHED(TCustomImageList)
  explicit TCustomImageList(TComponent* AOwner);
  TCustomImageList(TComponent* AOwner, int AWidth, int AHeight);
  ~TCustomImageList() override;

  void Assign(TPersistent* Source) override;

  int Width() const { return FWidth; }
  void SetWidth(int Value) { SetSize(Value, FHeight); }
  int Height() const { return FHeight; }
  void SetHeight(int Value) { SetSize(FWidth, Value); }
  // Sizes below 1 count as 1; raises EInvalidOperation "Invalid image size"
  // beyond the bitmap limits.
  void SetSize(int AWidth, int AHeight);
  int Count() const { return int(FImages.size()); }
  // Background under the images when drawing with dsNormal (clNone: none).
  TColor BkColor() const { return FBkColor; }
  void SetBkColor(TColor Value);
  // Colour blended into images drawn with dsFocus or dsSelected (clNone or
  // clDefault: the highlight colour).
  TColor BlendColor() const { return FBlendColor; }
  void SetBlendColor(TColor Value);
  TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
  void SetDrawingStyle(TDrawingStyle Value);
  TImageType ImageType() const { return FImageType; }
  void SetImageType(TImageType Value);
  // With false, masks are not used: images draw opaque.
  bool Masked() const { return FMasked; }
  void SetMasked(bool Value);

  // Adds the images of Image, one per Width pixels across (its top Height
  // rows); Mask, when given, marks transparent pixels in white. Answers the
  // index of the first image added, -1 when Image is missing or narrower
  // than one image.
  int Add(TBitmap* Image, TBitmap* Mask);
  // As Add, with the pixels of MaskColor transparent (clDefault: the colour
  // of the bottom-left pixel).
  int AddMasked(TBitmap* Image, TColor MaskColor);
  // Adds an icon (scaled when its size differs); -1 when it is missing or
  // empty.
  int AddIcon(TIcon* Image);
  // Insert and replace work with the first image of Image. Indexes out of
  // range raise EInvalidOperation "Invalid ImageList Index" (Insert accepts
  // Count).
  void Insert(int Index, TBitmap* Image, TBitmap* Mask);
  void InsertMasked(int Index, TBitmap* Image, TColor MaskColor);
  void Replace(int Index, TBitmap* Image, TBitmap* Mask);
  void ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor);
  void Delete(int Index);
  void Move(int CurIndex, int NewIndex);
  void Clear();

  // Draws image Index with its top-left corner at (X, Y). An index out of
  // range draws nothing.
  void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
  void Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle, TImageType AImageType,
            bool Enabled = true);
  // Sizes Image to one image and draws image Index on it; false for an
  // index out of range.
  bool GetBitmap(int Index, TBitmap* Image);
  // The layer's own bridge: image Index as ARGB32 premultiplied (the mask
  // as alpha), or a null image out of range.
  QImage GetImage(int Index) const;

  TNotifyEvent OnChange;

 protected:
  virtual void Change();

 private:
  QImage ImageFrom(TBitmap* Image, int Strip, TBitmap* Mask, bool UseColor, TColor MaskColor) const;
  void CheckIndex(int Index, bool AllowCount = false) const;

  int FWidth = 16;
  int FHeight = 16;
  TColor FBkColor = clNone;
  TColor FBlendColor = clNone;
  TDrawingStyle FDrawingStyle = dsNormal;
  TImageType FImageType = itImage;
  bool FMasked = true;
  std::vector<QImage> FImages;  // ARGB32, straight alpha
};

class TImageList : public TCustomImageList {
 public:
  TF_DECLARE_PUBLISHED(TImageList)
  explicit TImageList(TComponent* AOwner) : TCustomImageList(AOwner) {}
  TImageList(TComponent* AOwner, int AWidth, int AHeight) : TCustomImageList(AOwner, AWidth, AHeight) {}
};
