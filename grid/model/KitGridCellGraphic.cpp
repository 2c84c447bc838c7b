#include "grid/model/KitGridCellGraphic.h"

#include <cmath>
#include <memory>

#include "grid/model/KitGridLists.h"
#include "grid/model/KitGridSettings.h"
#include "grid/model/KitObjAux.h"

TF_PUBLISHED(TBaseCellGraphic, TPersistent) {
  using G = TBaseCellGraphic;
  return TPublished<G>()
      .Enum("CellType", &G::CellType, &G::SetCellType)
      .Default(ctNone)
      .Enum("CellVAlign", &G::CellVAlign, &G::SetCellVAlign)
      .Default(vaTop)
      .Enum("CellHAlign", &G::CellHAlign, &G::SetCellHAlign)
      .Default(haLeft)
      .Integer("CellIndex", &G::CellIndex, &G::SetCellIndex)
      .Default(0)
      .Boolean("CellTransparent", &G::CellTransparent, &G::SetCellTransparent)
      .Default(false)
      .Boolean("CellCreated", &G::CellCreated, &G::SetCellCreated)
      .Default(false)
      .Boolean("CellBoolean", &G::CellBoolean, &G::SetCellBoolean)
      .Default(false)
      .Enum("CellCheckBoxState", &G::CellCheckBoxState, &G::SetCellCheckBoxState)
      .Default(cbUnchecked)
      .Integer("CellAngle", &G::CellAngle, &G::SetCellAngle)
      .Default(0)
      .Float("CellValue", &G::CellValue, &G::SetCellValue)
      .Integer("CellErrFrom", &G::CellErrFrom, &G::SetCellErrFrom)
      .Default(0)
      .Integer("CellErrLen", &G::CellErrLen, &G::SetCellErrLen)
      .Default(0)
      .String("CellText", &G::CellText, &G::SetCellText);
}

TF_PUBLISHED(TCellGraphic, TBaseCellGraphic) {
  using G = TCellGraphic;
  return TPublished<G>()
      .String("CellComment", &G::CellComment, &G::SetCellComment)
      .Color("CommentColor", &G::CommentColor, &G::SetCommentColor)
      .Default(0);
}

namespace {
// Deletes an object the graphic owns and clears the reference.
void FreeOwned(TObject*& Object) {
  std::unique_ptr<TObject> owned(Object);
  Object = nullptr;
}
}  // namespace

TBaseCellGraphic::~TBaseCellGraphic() {
  switch (FCellType) {
    case ctBitmap:
    case ctRadio:
    case ctPicture:
    case ctFilePicture:
    case ctBitButton:
      if (FCellCreated) FreeOwned(FCellBitmap);
      break;
    case ctIcon:
      if (FCellCreated) FreeOwned(FCellIcon);
      // The balloon list of an icon is the graphic's own as well.
      if (FCellBalloon || FCellAngle == 1) FreeOwned(FCellBitmap);
      break;
    case ctImages:
    case ctBalloon:
      FreeOwned(FCellBitmap);
      break;
    case ctCheckBox:
    case ctDataCheckBox:
      if (FCellBalloon || FCellAngle == 1) FreeOwned(FCellBitmap);
      break;
    case ctRadioButton:
      // The group lives in CellAngle; only the balloon flag tells ownership.
      if (FCellBalloon) FreeOwned(FCellBitmap);
      break;
    default:
      break;
  }
}

void TBaseCellGraphic::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TBaseCellGraphic*>(Source);
  if (src == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  // The values of the published table; object references, CellVar and the
  // three-state value stay. Colours are values, not references: a copied
  // progress bar keeps them.
  AssignPublishedProperties(TBaseCellGraphic::StaticClassInfo(), this, src, {"CellCheckBoxState"});
  FCellBitmapColor = src->FCellBitmapColor;
  FCellIconColor = src->FCellIconColor;
}

void TBaseCellGraphic::SetInterfacedCell(TPersistent* AObject) {
  FCellType = ctInterface;
  FCellBitmap = AObject;
}

void TBaseCellGraphic::SetBitmap(TBitmap* ABmp, bool Transparent, TCellHAlign hal, TCellVAlign val) {
  FCellType = ctBitmap;
  FCellBitmap = ABmp;
  FCellHAlign = hal;
  FCellVAlign = val;
  FCellTransparent = Transparent;
}

void TBaseCellGraphic::SetButton(int bw, int bh, const QString& caption, TCellHAlign hal, TCellVAlign val) {
  FCellType = ctButton;
  FCellIndex = int((uint32_t(bh) << 16) | (uint32_t(bw) & 0xFFFF));
  FCellBoolean = false;
  FCellText = caption;
  FCellHAlign = hal;
  FCellVAlign = val;
}

void TBaseCellGraphic::SetBitButton(int bw, int bh, const QString& caption, TBitmap* Glyph, TCellHAlign hal,
                                    TCellVAlign val) {
  SetButton(bw, bh, caption, hal, val);
  FCellType = ctBitButton;
  FCellBitmap = Glyph;
}

void TBaseCellGraphic::SetPicture(TPicture* APicture, bool Transparent, TStretchMode StretchMode, int padding,
                                  TCellHAlign hal, TCellVAlign val) {
  FCellType = ctPicture;
  FCellBitmap = APicture;
  FCellTransparent = Transparent;
  FCellAngle = StretchMode;
  FCellIndex = padding;
  FCellHAlign = hal;
  FCellVAlign = val;
}

void TBaseCellGraphic::SetFilePicture(TFilePicture* APicture, bool Transparent, TStretchMode StretchMode,
                                      int padding, TCellHAlign hal, TCellVAlign val) {
  SetPicture(nullptr, Transparent, StretchMode, padding, hal, val);
  FCellType = ctFilePicture;
  FCellBitmap = APicture;
}

void TBaseCellGraphic::SetCheckBox(bool Value, bool Data, bool Flat, TCellHAlign hal, TCellVAlign val) {
  FCellType = Data ? ctDataCheckBox : ctCheckBox;
  FCellAngle = 0;
  FCellBoolean = Value;
  FCellTransparent = Flat;
  FCellHAlign = hal;
  FCellVAlign = val;
}

void TBaseCellGraphic::SetCheckBox(TCheckBoxState Value, bool Flat, TCellHAlign hal, TCellVAlign val) {
  FCellType = ctTriStateCheckBox;
  FCellCheckBoxState = Value;
  FCellBoolean = false;
  FCellTransparent = Flat;
  FCellHAlign = hal;
  FCellVAlign = val;
}

void TBaseCellGraphic::SetRadioButton(bool Value, bool Flat, TCellHAlign hal, TCellVAlign val,
                                      TRadioButtonGroup Group) {
  FCellType = ctRadioButton;
  FCellAngle = Group;
  FCellBoolean = Value;
  FCellTransparent = Flat;
  FCellHAlign = hal;
  FCellVAlign = val;
}

void TBaseCellGraphic::SetIcon(TIcon* aicon, TCellHAlign hal, TCellVAlign val) {
  FCellType = ctIcon;
  FCellIcon = aicon;
  FCellHAlign = hal;
  FCellVAlign = val;
}

void TBaseCellGraphic::SetDataImage(int idx, TCellHAlign hal, TCellVAlign val) {
  FCellType = ctDataImage;
  FCellIndex = idx;
  FCellHAlign = hal;
  FCellVAlign = val;
}

void TBaseCellGraphic::SetDataPicture(TCellHAlign hal, TCellVAlign val) {
  FCellType = ctDataPicture;
  FCellHAlign = hal;
  FCellVAlign = val;
}

void TBaseCellGraphic::SetMultiImage(int Col, int Row, int dir, TCellHAlign hal, TCellVAlign val,
                                     TImageChangeEvent Notifier) {
  // A list this graphic made earlier for the same kind is its own: replace it.
  if (FCellType == ctImages) FreeOwned(FCellBitmap);
  FCellType = ctImages;
  FCellBoolean = dir == 0;
  auto list = std::make_unique<TIntList>(Col, Row);
  list->OnChange = std::move(Notifier);
  FCellBitmap = list.release();
  FCellCreated = true;
  FCellHAlign = hal;
  FCellVAlign = val;
}

void TBaseCellGraphic::SetImageIdx(int idx, TCellHAlign hal, TCellVAlign val) {
  FCellType = ctImageList;
  FCellIndex = idx;
  FCellHAlign = hal;
  FCellVAlign = val;
}

void TBaseCellGraphic::SetAngle(int16_t AAngle) {
  FCellType = ctRotated;
  int a = AAngle;
  while (a < 0) a += 360;
  while (a > 360) a -= 360;
  FCellAngle = a;
}

TIntList* TBaseCellGraphic::CellImageList() const {
  return FCellType == ctImages ? dynamic_cast<TIntList*>(FCellBitmap) : nullptr;
}

TPoint TBaseCellGraphic::GetPictureSize(int cw, int rh, TGraphic* Graph, bool hastext) const {
  int w = 0, h = 0;
  if (FCellType == ctPicture) {
    auto* pic = dynamic_cast<TPicture*>(FCellBitmap);
    if (pic == nullptr) return TPoint(0, 0);
    w = pic->Width();
    h = pic->Height();
  } else if (FCellType == ctFilePicture) {
    auto* pic = dynamic_cast<TFilePicture*>(FCellBitmap);
    if (pic == nullptr) return TPoint(0, 0);
    w = pic->Width();
    h = pic->Height();
  } else if (FCellType == ctDataPicture && Graph != nullptr) {
    w = Graph->Width();
    h = Graph->Height();
  } else {
    return TPoint(0, 0);
  }
  const int aw = cw - FCellIndex;
  const int ah = rh - FCellIndex;
  auto aspect = [&](bool capAtOne) {
    double rx = w > 0 ? double(aw) / w : 1.0;
    double ry = h > 0 ? double(ah) / h : 1.0;
    if (capAtOne) {
      rx = std::min(rx, 1.0);
      ry = std::min(ry, 1.0);
    }
    if (ry > rx) return TPoint(aw, int(Round(h * rx)));
    return TPoint(int(Round(w * ry)), ah);
  };
  switch (FCellAngle) {
    case noStretch:
      return TPoint(w, h);
    case Stretch:
      return TPoint(aw, ah);
    case Shrink:
      if (w > aw || h > ah) return TPoint(aw, ah);
      return TPoint(w, h);
    case StretchWithAspectRatio:
      return aspect(false);
    case ShrinkWithAspectRatio:
      if (w > aw || h > ah) return aspect(true);
      return TPoint(w, h);
    default:
      return TPoint(w, h);
  }
}

void TCellGraphic::Assign(TPersistent* Source) {
  TBaseCellGraphic::Assign(Source);
  // The two published values of this class.
  if (auto* src = dynamic_cast<TCellGraphic*>(Source)) {
    FCellComment = src->FCellComment;
    FCommentColor = src->FCommentColor;
  }
}
