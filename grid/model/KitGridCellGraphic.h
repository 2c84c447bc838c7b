#pragma once
// The graphic object of a grid cell: one small class whose kind (CellType)
// decides what each of its general-purpose fields means (a check box's
// state, a progress bar's range, a picture and its stretch mode...).
//
// Object and colour slots. The main slot (CellBitmap) holds an object for
// most kinds (a bitmap, a picture, a list of choices, a list of image
// indexes, an interfaced object); progress bars, range indicators, shapes
// and ratings keep a colour there instead. Here the two uses have separate
// members: CellBitmap/CellIcon for objects and CellBitmapColor/
// CellIconColor for colours, so that no colour is ever taken for an object.
//
// Ownership. The cell's properties record owns its graphic. The graphic owns
// its object only where the kind says so (the destructor below); pictures,
// bitmaps, icons and interfaced objects handed in by the caller stay the
// caller's.

#include <QString>
#include <QVariant>

#include "grid/model/KitGridTypes.h"
#include "platform/rtl/Persistent.h"
#include "platform/rtl/Types.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/StdCtrls.h"

class TCanvas;
class TFilePicture;
class TIntList;

enum TCellType {
  ctBitmap, ctIcon, ctNone, ctImageList, ctCheckBox, ctDataCheckBox, ctRotated, ctDataImage, ctNode,
  ctRadio, ctEmpty, ctImages, ctPicture, ctFilePicture, ctValue, ctProgress, ctComment, ctButton,
  ctBitButton, ctVirtCheckBox, ctRowCheckBox, ctProgressPie, ctSummary, ctRangeIndicator, ctXPProgress,
  ctInterface, ctScrollbar, ctRadioButton, ctBalloon, ctShape, ctRating, ctTriStateCheckBox, ctExpand,
  ctDataPicture, ctVirtButton
};
TF_ENUM_NAMES(TCellType, ctBitmap, ctIcon, ctNone, ctImageList, ctCheckBox, ctDataCheckBox, ctRotated,
              ctDataImage, ctNode, ctRadio, ctEmpty, ctImages, ctPicture, ctFilePicture, ctValue, ctProgress,
              ctComment, ctButton, ctBitButton, ctVirtCheckBox, ctRowCheckBox, ctProgressPie, ctSummary,
              ctRangeIndicator, ctXPProgress, ctInterface, ctScrollbar, ctRadioButton, ctBalloon, ctShape,
              ctRating, ctTriStateCheckBox, ctExpand, ctDataPicture, ctVirtButton)
using TCellTypes = TSet<TCellType>;
static_assert(ctVirtButton == 34, "cell kinds are stored by ordinal");

enum TCellHAlign { haLeft, haRight, haCenter, haBeforeText, haAfterText, haFull };
TF_ENUM_NAMES(TCellHAlign, haLeft, haRight, haCenter, haBeforeText, haAfterText, haFull)

enum TCellVAlign { vaTop, vaBottom, vaCenter, vaUnderText, vaAboveText, vaFull };
TF_ENUM_NAMES(TCellVAlign, vaTop, vaBottom, vaCenter, vaUnderText, vaAboveText, vaFull)

enum TStretchMode { noStretch, Stretch, StretchWithAspectRatio, Shrink, ShrinkWithAspectRatio };
TF_ENUM_NAMES(TStretchMode, noStretch, Stretch, StretchWithAspectRatio, Shrink, ShrinkWithAspectRatio)

enum TRadioButtonGroup { rgNone, rgCol, rgRow };
TF_ENUM_NAMES(TRadioButtonGroup, rgNone, rgCol, rgRow)

enum TBalloonIcon { biNone, biInfo, biWarning, biError };
TF_ENUM_NAMES(TBalloonIcon, biNone, biInfo, biWarning, biError)

class TKitStringGrid;

// What the object of a ctInterface cell offers the grid. Found on the cell's
// object with dynamic_cast; the grid never owns that object.
class IGridCell {
 public:
  static constexpr const char* GUID = "{0712BE3F-5C9A-4771-BF71-4C987CDC39B3}";
  virtual ~IGridCell() = default;
  // Paints the object into ARect of Canvas.
  virtual void Draw(TCanvas* Canvas, const TRect& ARect, TKitStringGrid* Grid, bool Selected, int ARow,
                    int ACol) = 0;
  // Preferred size in pixels; 0 takes the cell's size.
  virtual int GetWidth() = 0;
  virtual int GetHeight() = 0;
  // Painted before the cell text (true) or after it.
  virtual bool PaintsBeforeText() = 0;
};

class TBaseCellGraphic : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TBaseCellGraphic)
  TBaseCellGraphic() = default;
  TBaseCellGraphic(const TBaseCellGraphic&) = delete;
  TBaseCellGraphic& operator=(const TBaseCellGraphic&) = delete;
  // Frees the object the kind owns (see the class comment).
  ~TBaseCellGraphic() override;

  // From another cell graphic: the kind, places, index, flags, value,
  // angle, marker range, text and created flag, and the colour slots.
  // Object references, CellVar and the three-state value are not copied.
  void Assign(TPersistent* Source) override;

  // --- the per-kind setters; each sets CellType and the fields named
  void SetInterfacedCell(TPersistent* AObject);
  void SetBitmap(TBitmap* ABmp, bool Transparent, TCellHAlign hal, TCellVAlign val);
  void SetButton(int bw, int bh, const QString& caption, TCellHAlign hal, TCellVAlign val);
  void SetBitButton(int bw, int bh, const QString& caption, TBitmap* Glyph, TCellHAlign hal, TCellVAlign val);
  void SetPicture(TPicture* APicture, bool Transparent, TStretchMode StretchMode, int padding, TCellHAlign hal,
                  TCellVAlign val);
  void SetFilePicture(TFilePicture* APicture, bool Transparent, TStretchMode StretchMode, int padding,
                      TCellHAlign hal, TCellVAlign val);
  void SetCheckBox(bool Value, bool Data, bool Flat, TCellHAlign hal, TCellVAlign val);
  void SetCheckBox(TCheckBoxState Value, bool Flat, TCellHAlign hal, TCellVAlign val);
  void SetRadioButton(bool Value, bool Flat, TCellHAlign hal, TCellVAlign val, TRadioButtonGroup Group);
  void SetIcon(TIcon* aicon, TCellHAlign hal, TCellVAlign val);
  void SetDataImage(int idx, TCellHAlign hal, TCellVAlign val);
  void SetDataPicture(TCellHAlign hal, TCellVAlign val);
  // Creates (and owns) the index list of a multi-image cell.
  void SetMultiImage(int Col, int Row, int dir, TCellHAlign hal, TCellVAlign val, TImageChangeEvent Notifier);
  void SetImageIdx(int idx, TCellHAlign hal, TCellVAlign val);
  // Brings the angle into 0..360 (360 stays 360).
  void SetAngle(int16_t AAngle);

  // The size a picture takes in an area of cw x rh pixels, by the stretch
  // mode: applies to ctPicture and ctFilePicture, and to ctDataPicture when
  // Graph (the named picture) is given; any other kind answers (0, 0).
  TPoint GetPictureSize(int cw, int rh, TGraphic* Graph, bool hastext) const;

  // --- fields
  TCellType CellType() const { return FCellType; }
  void SetCellType(TCellType Value) { FCellType = Value; }
  // The main object of the kind (nullptr for kinds that keep a colour).
  TObject* CellBitmap() const { return FCellBitmap; }
  void SetCellBitmap(TObject* Value) { FCellBitmap = Value; }
  TObject* CellIcon() const { return FCellIcon; }
  void SetCellIcon(TObject* Value) { FCellIcon = Value; }
  // The colours progress bars, range indicators, shapes and ratings keep.
  TColor CellBitmapColor() const { return FCellBitmapColor; }
  void SetCellBitmapColor(TColor Value) { FCellBitmapColor = Value; }
  TColor CellIconColor() const { return FCellIconColor; }
  void SetCellIconColor(TColor Value) { FCellIconColor = Value; }
  TCellVAlign CellVAlign() const { return FCellVAlign; }
  void SetCellVAlign(TCellVAlign Value) { FCellVAlign = Value; }
  TCellHAlign CellHAlign() const { return FCellHAlign; }
  void SetCellHAlign(TCellHAlign Value) { FCellHAlign = Value; }
  int CellIndex() const { return FCellIndex; }
  void SetCellIndex(int Value) { FCellIndex = Value; }
  bool CellTransparent() const { return FCellTransparent; }
  void SetCellTransparent(bool Value) { FCellTransparent = Value; }
  bool CellCreated() const { return FCellCreated; }
  void SetCellCreated(bool Value) { FCellCreated = Value; }
  bool CellBoolean() const { return FCellBoolean; }
  void SetCellBoolean(bool Value) { FCellBoolean = Value; }
  TCheckBoxState CellCheckBoxState() const { return FCellCheckBoxState; }
  void SetCellCheckBoxState(TCheckBoxState Value) { FCellCheckBoxState = Value; }
  int CellAngle() const { return FCellAngle; }
  void SetCellAngle(int Value) { FCellAngle = Value; }
  double CellValue() const { return FCellValue; }
  void SetCellValue(double Value) { FCellValue = Value; }
  int CellErrFrom() const { return FCellErrFrom; }
  void SetCellErrFrom(int Value) { FCellErrFrom = Value; }
  int CellErrLen() const { return FCellErrLen; }
  void SetCellErrLen(int Value) { FCellErrLen = Value; }
  const QString& CellText() const { return FCellText; }
  void SetCellText(const QString& Value) { FCellText = Value; }
  const QVariant& CellVar() const { return FCellVar; }
  void SetCellVar(const QVariant& Value) { FCellVar = Value; }
  // A balloon (title and text list in CellBitmap) is attached to a check
  // box, icon or radio button. Kept apart from a radio button's group.
  bool CellBalloon() const { return FCellBalloon; }
  void SetCellBalloon(bool Value) { FCellBalloon = Value; }

  // The index list of a ctImages cell, nullptr for other kinds.
  TIntList* CellImageList() const;

 private:
  TCellType FCellType = ctNone;
  TObject* FCellBitmap = nullptr;
  TObject* FCellIcon = nullptr;
  TColor FCellBitmapColor = 0;
  TColor FCellIconColor = 0;
  TCellVAlign FCellVAlign = vaTop;
  TCellHAlign FCellHAlign = haLeft;
  int FCellIndex = 0;
  bool FCellTransparent = false;
  bool FCellCreated = false;
  bool FCellBoolean = false;
  bool FCellBalloon = false;
  int FCellAngle = 0;
  double FCellValue = 0;
  int FCellErrFrom = 0;
  int FCellErrLen = 0;
  QString FCellText;
  QVariant FCellVar;
  TCheckBoxState FCellCheckBoxState = cbUnchecked;
};

class TCellGraphic : public TBaseCellGraphic {
 public:
  TF_DECLARE_PUBLISHED(TCellGraphic)
  TCellGraphic() = default;

  // As the base, and from another TCellGraphic also the comment and its
  // colour.
  void Assign(TPersistent* Source) override;

  const QString& CellComment() const { return FCellComment; }
  void SetCellComment(const QString& Value) { FCellComment = Value; }
  TColor CommentColor() const { return FCommentColor; }
  void SetCommentColor(TColor Value) { FCommentColor = Value; }

 private:
  QString FCellComment;
  TColor FCommentColor = 0;
};
