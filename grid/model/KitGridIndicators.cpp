// Graphics that are shown but not clicked: bitmaps, icons, pictures and file
// pictures, images of the grid's image list, pictures of the picture
// container named by the cell text, progress bars and pies, range
// indicators, ratings, shapes, cell scroll bars, rotated text, objects that
// paint themselves, comments with their corner mark, error markers and
// balloons. Each is a cell graphic whose fields mean what its kind says.
//
// A balloon attached to a check box, icon or radio button is kept in the
// graphic's balloon flag with its title and text list; a radio button's
// group stays where it is, so attaching or removing a tool tip never changes
// how the button's group toggles.

#include <memory>

#include "gdiplus/PictureContainer.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridLists.h"

namespace {

const TCellTypes kBalloonHosts{ctIcon, ctCheckBox, ctDataCheckBox, ctRadioButton};

}  // namespace

// ---------------------------------------------------------------------------
// Pictures and objects

void TKitStringGrid::AddBitmap(int ACol, int ARow, TBitmap* ABmp, bool Transparent, TCellHAlign hal,
                               TCellVAlign val) {
  CreateCellGraphic(ACol, ARow)->SetBitmap(ABmp, Transparent, hal, val);
  RepaintCell(DisplColIndex(ACol), ARow);
}

TBitmap* TKitStringGrid::CreateBitmap(int ACol, int ARow, bool Transparent, TCellHAlign hal, TCellVAlign val) {
  auto bitmap = std::make_unique<TBitmap>();
  TBitmap* result = bitmap.get();
  TCellGraphic* g = CreateCellGraphic(ACol, ARow);
  g->SetBitmap(bitmap.release(), Transparent, hal, val);
  g->SetCellCreated(true);
  return result;
}

TBitmap* TKitStringGrid::GetBitmap(int ACol, int ARow) {
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  return g != nullptr && g->CellType() == ctBitmap ? dynamic_cast<TBitmap*>(g->CellBitmap()) : nullptr;
}

void TKitStringGrid::AddPicture(int ACol, int ARow, TPicture* APicture, bool Transparent, TStretchMode StretchMode,
                                int Padding, TCellHAlign hal, TCellVAlign val) {
  CreateCellGraphic(ACol, ARow)->SetPicture(APicture, Transparent, StretchMode, Padding, hal, val);
  RepaintCell(DisplColIndex(ACol), ARow);
}

TPicture* TKitStringGrid::CreatePicture(int ACol, int ARow, bool Transparent, TStretchMode StretchMode, int Padding,
                                        TCellHAlign hal, TCellVAlign val) {
  auto picture = std::make_unique<TPicture>();
  TPicture* result = picture.get();
  TCellGraphic* g = CreateCellGraphic(ACol, ARow);
  g->SetPicture(picture.release(), Transparent, StretchMode, Padding, hal, val);
  g->SetCellCreated(true);
  return result;
}

TPicture* TKitStringGrid::GetPicture(int ACol, int ARow) {
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  return g != nullptr && g->CellType() == ctPicture ? dynamic_cast<TPicture*>(g->CellBitmap()) : nullptr;
}

void TKitStringGrid::AddFilePicture(int ACol, int ARow, TFilePicture* AFilePicture, bool Transparent,
                                    TStretchMode StretchMode, int Padding, TCellHAlign hal, TCellVAlign val) {
  CreateCellGraphic(ACol, ARow)->SetFilePicture(AFilePicture, Transparent, StretchMode, Padding, hal, val);
  RepaintCell(DisplColIndex(ACol), ARow);
}

TFilePicture* TKitStringGrid::CreateFilePicture(int ACol, int ARow, bool Transparent, TStretchMode StretchMode,
                                                int Padding, TCellHAlign hal, TCellVAlign val) {
  auto picture = std::make_unique<TFilePicture>();
  TFilePicture* result = picture.get();
  TCellGraphic* g = CreateCellGraphic(ACol, ARow);
  g->SetFilePicture(picture.release(), Transparent, StretchMode, Padding, hal, val);
  g->SetCellCreated(true);
  return result;
}

TFilePicture* TKitStringGrid::GetFilePicture(int ACol, int ARow) {
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  return g != nullptr && g->CellType() == ctFilePicture ? dynamic_cast<TFilePicture*>(g->CellBitmap()) : nullptr;
}

void TKitStringGrid::AddIcon(int ACol, int ARow, TIcon* AIcon, TCellHAlign hal, TCellVAlign val) {
  CreateCellGraphic(ACol, ARow)->SetIcon(AIcon, hal, val);
  RepaintCell(DisplColIndex(ACol), ARow);
}

TIcon* TKitStringGrid::CreateIcon(int ACol, int ARow, TCellHAlign hal, TCellVAlign val) {
  auto icon = std::make_unique<TIcon>();
  TIcon* result = icon.get();
  TCellGraphic* g = CreateCellGraphic(ACol, ARow);
  g->SetIcon(icon.release(), hal, val);
  g->SetCellCreated(true);
  return result;
}

void TKitStringGrid::AddInterfacedCell(int ACol, int ARow, TPersistent* AObject) {
  CreateCellGraphic(ACol, ARow)->SetInterfacedCell(AObject);
  RepaintCell(DisplColIndex(ACol), ARow);
}

TPersistent* TKitStringGrid::GetInterfacedCell(int ACol, int ARow) {
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  return g != nullptr && g->CellType() == ctInterface ? dynamic_cast<TPersistent*>(g->CellBitmap()) : nullptr;
}

// ---------------------------------------------------------------------------
// Images and container pictures

void TKitStringGrid::AddImageIdx(int ACol, int ARow, int Aidx, TCellHAlign hal, TCellVAlign val) {
  if (FGridImages == nullptr) return;
  CreateCellGraphic(ACol, ARow)->SetImageIdx(Aidx, hal, val);
  RepaintCell(DisplColIndex(ACol), ARow);
}

bool TKitStringGrid::GetImageIdx(int ACol, int ARow, int& idx) {
  if (FGridImages == nullptr) return false;
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  if (g == nullptr || g->CellType() != ctImageList) return false;
  idx = g->CellIndex();
  return true;
}

void TKitStringGrid::SetImageIdx(int ACol, int ARow, int Idx) {
  if (FGridImages == nullptr) return;
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  if (g != nullptr && g->CellType() == ctImageList) g->SetCellIndex(Idx);
}

void TKitStringGrid::AddDataImage(int ACol, int ARow, int Aidx, TCellHAlign hal, TCellVAlign val) {
  if (FGridImages == nullptr) return;
  CreateCellGraphic(ACol, ARow)->SetDataImage(Aidx, hal, val);
  if (GetCellEx(ACol, ARow).isEmpty()) SetInts(ACol, ARow, Aidx);
  RepaintCell(DisplColIndex(ACol), ARow);
}

void TKitStringGrid::RemoveDataImage(int ACol, int ARow) {
  if (RemoveCellGraphicType(ACol, ARow, ctDataImage)) SetCellEx(ACol, ARow, QString());
}

void TKitStringGrid::AddDataPicture(int ACol, int ARow, const QString& AName, TCellHAlign hal, TCellVAlign val) {
  if (FPictureContainer == nullptr) return;
  CreateCellGraphic(ACol, ARow)->SetDataPicture(hal, val);
  if (GetCellEx(ACol, ARow).isEmpty()) SetCellEx(ACol, ARow, AName);
  RepaintCell(DisplColIndex(ACol), ARow);
}

void TKitStringGrid::RemoveDataPicture(int ACol, int ARow) {
  if (RemoveCellGraphicType(ACol, ARow, ctDataPicture)) SetCellEx(ACol, ARow, QString());
}

void TKitStringGrid::AddMultiImage(int ACol, int ARow, int Dir, TCellHAlign hal, TCellVAlign val) {
  if (FGridImages == nullptr) return;
  CreateCellGraphic(ACol, ARow)->SetMultiImage(ACol, ARow, Dir, hal, val,
                                              [this](TObject*, int c, int r) { RepaintCell(DisplColIndex(c), r); });
  RepaintCell(DisplColIndex(ACol), ARow);
}

// ---------------------------------------------------------------------------
// Progress and value indicators

void TKitStringGrid::AddProgress(int ACol, int ARow, TColor FGColor, TColor BKColor) {
  TCellGraphic* g = CreateCellGraphic(ACol, ARow);
  g->SetCellType(ctProgress);
  g->SetCellBitmapColor(FGColor);
  g->SetCellIconColor(BKColor);
  g->SetCellHAlign(haLeft);
  g->SetCellVAlign(vaTop);
  g->SetCellErrFrom(0);
  g->SetCellErrLen(100);
  g->SetCellBoolean(false);
  g->SetCellText(QString());
  g->SetCellValue(0);
  if (FAutoNumAlign) SetAlignments(ACol, ARow, taRightJustify);
  RepaintCell(DisplColIndex(ACol), ARow);
}

void TKitStringGrid::AddProgressEx(int ACol, int ARow, TColor FGColor, TColor FGTextColor, TColor BKColor,
                                   TColor BKTextColor) {
  AddProgress(ACol, ARow, FGColor, BKColor);
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  g->SetCellIndex(FGTextColor);
  g->SetCellAngle(BKTextColor);
  g->SetCellBoolean(true);
}

void TKitStringGrid::AddProgressFormatted(int ACol, int ARow, TColor FGColor, TColor FGTextColor, TColor BKColor,
                                          TColor BKTextColor, const QString& Fmt, double Min, double Max,
                                          double Scale) {
  AddProgressEx(ACol, ARow, FGColor, FGTextColor, BKColor, BKTextColor);
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  g->SetCellErrFrom(int(Round(Min)));
  g->SetCellErrLen(int(Round(Max)));
  g->SetCellText(Fmt);
  g->SetCellValue(Scale);
}

void TKitStringGrid::GetProgressColor(int ACol, int ARow, TColor& ColorFG, TColor& ColorBK, TColor& TextColorFG,
                                      TColor& TextColorBK) {
  if (OnProgressColor) OnProgressColor(this, ACol, ARow, ColorFG, ColorBK, TextColorFG, TextColorBK);
}

void TKitStringGrid::AddKitProgress(int ACol, int ARow, int Min, int Max) {
  TCellGraphic* g = CreateCellGraphic(ACol, ARow);
  g->SetCellType(ctXPProgress);
  g->SetCellHAlign(haLeft);
  g->SetCellVAlign(vaTop);
  g->SetCellErrFrom(Min);
  g->SetCellErrLen(Max);
  RepaintCell(DisplColIndex(ACol), ARow);
}

void TKitStringGrid::AddProgressPie(int ACol, int ARow, TColor Color, int Value) {
  TCellGraphic* g = CreateCellGraphic(ACol, ARow);
  g->SetCellType(ctProgressPie);
  g->SetCellHAlign(haBeforeText);
  g->SetCellVAlign(vaTop);
  g->SetCellErrFrom(Color);
  g->SetCellAngle(Value);
  RepaintCell(DisplColIndex(ACol), ARow);
}

void TKitStringGrid::SetProgressPie(int ACol, int ARow, int Value) {
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  if (g == nullptr || g->CellType() != ctProgressPie) return;
  g->SetCellAngle(Value);
  RepaintCell(DisplColIndex(ACol), ARow);
}

void TKitStringGrid::AddRangeIndicator(int ACol, int ARow, int Range, TColor NegColor, TColor PosColor,
                                       bool ShowValue) {
  TCellGraphic* g = CreateCellGraphic(ACol, ARow);
  g->SetCellType(ctRangeIndicator);
  g->SetCellHAlign(haLeft);
  g->SetCellVAlign(vaTop);
  g->SetCellBitmapColor(NegColor);
  g->SetCellIconColor(PosColor);
  g->SetCellIndex(Range);
  g->SetCellBoolean(ShowValue);
  RepaintCell(DisplColIndex(ACol), ARow);
}

void TKitStringGrid::AddRating(int ACol, int ARow, int Scale, TColor FillColor, TColor EmptyColor) {
  TCellGraphic* g = CreateCellGraphic(ACol, ARow);
  g->SetCellType(ctRating);
  g->SetCellHAlign(haFull);
  g->SetCellAngle(Scale);
  g->SetCellIndex(FillColor);
  g->SetCellBitmapColor(EmptyColor);
  RepaintCell(DisplColIndex(ACol), ARow);
}

void TKitStringGrid::AddShape(int ACol, int ARow, TCellShape Shape, TColor FillColor, TColor LineColor,
                              TCellHAlign hal, TCellVAlign val) {
  TCellGraphic* g = CreateCellGraphic(ACol, ARow);
  g->SetCellType(ctShape);
  g->SetCellAngle(int(Shape));
  g->SetCellIndex(FillColor);
  g->SetCellBitmapColor(LineColor);
  g->SetCellHAlign(hal);
  g->SetCellVAlign(val);
  RepaintCell(DisplColIndex(ACol), ARow);
}

void TKitStringGrid::SetShapeColor(int ACol, int ARow, TColor FillColor) {
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  if (g != nullptr && g->CellType() == ctShape) g->SetCellIndex(FillColor);
}

TColor TKitStringGrid::GetShapeColor(int ACol, int ARow) {
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  return g != nullptr && g->CellType() == ctShape ? TColor(g->CellIndex()) : TColor(0x1FFFFFFF);
}

// ---------------------------------------------------------------------------
// Cell scroll bars

void TKitStringGrid::AddScrollBar(int ACol, int ARow, bool AutoRange) {
  TCellGraphic* g = CreateCellGraphic(ACol, ARow);
  g->SetCellType(ctScrollbar);
  g->SetCellAngle(0);
  g->SetCellErrFrom(100);
  g->SetCellBoolean(AutoRange);
  if (AutoRange) UpdateCellScrollBar(ACol, ARow);
}

bool TKitStringGrid::HasAutoRangeScrollBar(int ACol, int ARow) {
  if (!HasScrollBar(ACol, ARow)) return false;
  const TPoint base = BaseCell(ACol, ARow);
  return GetCellGraphic(base.X, base.Y)->CellBoolean();
}

void TKitStringGrid::SetScrollPosition(int ACol, int ARow, int Pos) {
  if (!HasScrollBar(ACol, ARow)) return;
  const TPoint base = BaseCell(ACol, ARow);
  GetCellGraphic(base.X, base.Y)->SetCellIndex(Pos);
  RepaintCell(DisplColIndex(ACol), ARow);
}

int TKitStringGrid::GetScrollPosition(int ACol, int ARow) {
  if (!HasScrollBar(ACol, ARow)) return -1;
  const TPoint base = BaseCell(ACol, ARow);
  return GetCellGraphic(base.X, base.Y)->CellIndex();
}

void TKitStringGrid::SetScrollProp(int ACol, int ARow, TScrollProp Prop) {
  if (!HasScrollBar(ACol, ARow)) return;
  const TPoint base = BaseCell(ACol, ARow);
  TCellGraphic* g = GetCellGraphic(base.X, base.Y);
  g->SetCellAngle(Prop.PageSize);
  g->SetCellErrFrom(Prop.Range);
}

TScrollProp TKitStringGrid::GetScrollProp(int ACol, int ARow) {
  TScrollProp result{-1, -1};
  if (!HasScrollBar(ACol, ARow)) return result;
  const TPoint base = BaseCell(ACol, ARow);
  TCellGraphic* g = GetCellGraphic(base.X, base.Y);
  result.PageSize = g->CellAngle();
  result.Range = g->CellErrFrom();
  return result;
}

void TKitStringGrid::UpdateCellScrollBar(int ACol, int ARow) {
  if (!HasAutoRangeScrollBar(ACol, ARow)) return;
  const TSize size = GetCellTextSize(DisplColIndex(ACol), ARow, true, true);
  TScrollProp prop;
  prop.PageSize = RowHeights(ARow);
  prop.Range = size.cy;
  SetScrollProp(ACol, ARow, prop);
}

// ---------------------------------------------------------------------------
// Rotated text

void TKitStringGrid::AddRotated(int ACol, int ARow, int16_t AAngle, const QString& s) {
  CreateCellGraphic(ACol, ARow)->SetAngle(AAngle);
  SetCellEx(ACol, ARow, s);
}

void TKitStringGrid::SetRotated(int ACol, int ARow, int16_t AAngle) {
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  if (g == nullptr) g = CreateCellGraphic(ACol, ARow);
  g->SetAngle(AAngle);
  RepaintCell(DisplColIndex(ACol), ARow);
}

bool TKitStringGrid::IsRotated(int ACol, int ARow, int& aAngle) {
  if (GetCellType(ACol, ARow) != ctRotated) return false;
  aAngle = GetCellGraphic(ACol, ARow)->CellAngle();
  return true;
}

// ---------------------------------------------------------------------------
// Comments

void TKitStringGrid::AddComment(int ACol, int ARow, const QString& Comment) {
  AddColorComment(ACol, ARow, Comment, FControlLook->CommentColor());
}

void TKitStringGrid::AddColorComment(int ACol, int ARow, const QString& Comment, TColor Color) {
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  if (g == nullptr || (ACol == 0 && FMouseActions->HotmailRowSelect())) g = CreateCellGraphic(ACol, ARow);
  g->SetCellComment(Comment);
  g->SetCommentColor(Color);
  RepaintCell(DisplColIndex(ACol), ARow);
}

bool TKitStringGrid::IsComment(int ACol, int ARow, QString& Comment) {
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  if (g == nullptr) return false;
  if (!g->CellComment().isEmpty()) Comment = g->CellComment();
  if (g->CellType() == ctPicture && !g->CellText().isEmpty()) {
    Comment = g->CellText();
    return true;
  }
  return !g->CellComment().isEmpty();
}

QString TKitStringGrid::GetComment(int ACol, int ARow) {
  QString comment;
  IsComment(ACol, ARow, comment);
  return comment;
}

void TKitStringGrid::SetComment(int ACol, int ARow, const QString& Value) {
  if (TCellGraphic* g = GetCellGraphic(ACol, ARow)) {
    g->SetCellComment(Value);
    RepaintCell(DisplColIndex(ACol), ARow);
    return;
  }
  AddComment(ACol, ARow, Value);
}

void TKitStringGrid::RemoveComment(int ACol, int ARow) {
  if (TCellGraphic* g = GetCellGraphic(ACol, ARow)) {
    g->SetCellComment(QString());
    RepaintCell(DisplColIndex(ACol), ARow);
  }
}

void TKitStringGrid::RemoveAllComments() {
  for (int c = 0; c < ColCount(); ++c)
    for (int r = 0; r < RowCount(); ++r)
      if (auto* g = dynamic_cast<TCellGraphic*>(GetGraphicObjectEx(c, r))) g->SetCellComment(QString());
  Invalidate();
}

// ---------------------------------------------------------------------------
// Markers

void TKitStringGrid::AddMarker(int ACol, int ARow, int ErrPos, int ErrLen) {
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  if (g == nullptr) {
    g = CreateCellGraphic(ACol, ARow);
    g->SetCellType(ctEmpty);
  }
  g->SetCellErrFrom(ErrPos);
  g->SetCellErrLen(ErrLen);
  RepaintCell(DisplColIndex(ACol), ARow);
}

void TKitStringGrid::GetMarker(int ACol, int ARow, int& ErrPos, int& ErrLen) {
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  ErrPos = g ? g->CellErrFrom() : 0;
  ErrLen = g ? g->CellErrLen() : 0;
}

void TKitStringGrid::RemoveMarker(int ACol, int ARow) {
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  if (g == nullptr) return;
  if (g->CellType() == ctEmpty) {
    RemoveCellGraphic(ACol, ARow);
    return;
  }
  g->SetCellErrFrom(0);
  g->SetCellErrLen(0);
}

void TKitStringGrid::RemoveAllMarkers() {
  for (int c = 0; c < ColCount(); ++c)
    for (int r = 0; r < RowCount(); ++r) RemoveMarker(c, r);
}

// ---------------------------------------------------------------------------
// Balloons

void TKitStringGrid::AddBalloon(int ACol, int ARow, const QString& Title, const QString& Text, TBalloonIcon Icon) {
  auto list = std::make_unique<TStringList>();
  list->Add(Title);
  list->Add(Text);
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  if (g == nullptr) {
    g = CreateCellGraphic(ACol, ARow);
    g->SetCellType(ctBalloon);
    g->SetCellAngle(0);
    g->SetCellIndex(Icon);
    g->SetCellBitmap(list.release());
    return;
  }
  if (!kBalloonHosts.Contains(g->CellType())) return;
  if (g->CellBalloon()) {
    std::unique_ptr<TObject> old(g->CellBitmap());
    g->SetCellBitmap(nullptr);
  }
  g->SetCellBitmap(list.release());
  g->SetCellBalloon(true);
  g->SetCellIndex(Icon);
}

bool TKitStringGrid::IsBalloon(int ACol, int ARow, QString& Title, QString& Text, TBalloonIcon& Icon) {
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  if (g == nullptr) return false;
  const bool own = g->CellType() == ctBalloon;
  if (!own && !(kBalloonHosts.Contains(g->CellType()) && g->CellBalloon())) return false;
  if (auto* list = dynamic_cast<TStrings*>(g->CellBitmap()); list != nullptr && list->Count() >= 2) {
    Title = list->Strings(0);
    Text = list->Strings(1);
    const int icon = g->CellIndex();
    Icon = icon >= biNone && icon <= biError ? TBalloonIcon(icon) : biNone;
  }
  return true;
}

void TKitStringGrid::RemoveBalloon(int ACol, int ARow) {
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  if (g == nullptr) return;
  if (kBalloonHosts.Contains(g->CellType()) && g->CellBalloon()) {
    std::unique_ptr<TObject> list(g->CellBitmap());
    g->SetCellBitmap(nullptr);
    g->SetCellBalloon(false);
    g->SetCellIndex(0);
    return;
  }
  RemoveCellGraphicType(ACol, ARow, ctBalloon);
}
