// The cell graphic operations of the string grid: finding, creating,
// type-testing and removing a cell's graphic, and the size a graphic claims
// in its cell on screen and on paper.

#include <algorithm>
#include <memory>

#include "gdiplus/PictureContainer.h"
#include "grid/model/KitGrid.h"

TCellGraphic* TKitStringGrid::GetCellGraphic(int ACol, int ARow) {
  TObject* object = GetGraphicObjectEx(ACol, ARow);
  TCellGraphic* candidate = nullptr;
  if (object != nullptr) {
    candidate = dynamic_cast<TCellGraphic*>(object);
    if (candidate == nullptr) return nullptr;
  }
  if (ACol != 0 || !FMouseActions->HotmailRowSelect()) return candidate;

  // The shared row check box of column 0.
  TCellGraphic* shared = FCellGraphic.get();
  shared->SetCellType(ctRowCheckBox);
  const int normalRows = RowCount() - FixedRows();
  if (ARow == 0) {
    const int selected = GetRowSelectCount();
    shared->SetCellAngle(selected > 0 && selected < normalRows ? 1 : 0);
    shared->SetCellBoolean(selected >= normalRows);
  } else {
    shared->SetCellAngle(0);
    const int realRow = RealRowIndex(ARow);
    shared->SetCellBoolean(realRow >= 0 && realRow < AllRowCount() && GetRowSelect(realRow));
  }
  shared->SetCellTransparent(FControlLook->ControlStyle() == TControlLook::csFlat);
  return shared;
}

TCellType TKitStringGrid::GetCellType(int ACol, int ARow) {
  if (ACol < 0 || ARow < 0) return ctEmpty;
  if (ACol == 0 && FMouseActions->HotmailRowSelect()) return ctRowCheckBox;
  auto* graphic = dynamic_cast<TCellGraphic*>(GetGraphicObjectEx(ACol, ARow));
  return graphic ? graphic->CellType() : ctEmpty;
}

bool TKitStringGrid::GetCellEmpty(int ACol, int ARow) {
  auto* graphic = dynamic_cast<TCellGraphic*>(GetGraphicObjectEx(ACol, ARow));
  if (graphic == nullptr) return true;
  return graphic->CellType() == ctNone && graphic->CellComment().isEmpty();
}

TCellGraphic* TKitStringGrid::CreateCellGraphic(int ACol, int ARow) {
  auto graphic = std::make_unique<TCellGraphic>();
  TCellGraphic* result = graphic.get();
  // The cell owns the new graphic; the graphic it owned before is freed.
  SetGraphicObjectEx(ACol, ARow, graphic.release(), true);
  if (NumHiddenColumns() > 0 && RealToDisplCol(ACol) != ACol) RepaintCell(RealToDisplCol(ACol), ARow);
  return result;
}

bool TKitStringGrid::RemoveCellGraphic(int ACol, int ARow) {
  TCellProperties* rec = FindCellProperties(ACol, ARow);
  if (rec == nullptr || rec->GraphicObject() == nullptr) return false;
  bool owned = false;
  std::unique_ptr<TObject> graphic(rec->ExtractGraphicObject(owned));
  // A graphic the cell does not own (a shared or handed-in one) is only
  // detached.
  if (!owned) graphic.release();
  if (!ComponentState().Contains(csDestroying)) RepaintCell(DisplColIndex(ACol), ARow);
  return true;
}

bool TKitStringGrid::RemoveCellGraphicType(int ACol, int ARow, TCellType CellType) {
  if (GetCellType(ACol, ARow) != CellType) return false;
  return RemoveCellGraphic(ACol, ARow);
}

bool TKitStringGrid::HasCellType(int ACol, int ARow, TCellTypes Types) {
  if (ACol < 0 || ARow < 0) return false;
  const TPoint base = BaseCell(ACol, ARow);
  TCellGraphic* graphic = GetCellGraphic(base.X, base.Y);
  return graphic != nullptr && Types.Contains(graphic->CellType());
}

bool TKitStringGrid::IsDataCell(int ACol, int ARow) {
  return HasCellType(ACol, ARow, TCellTypes{ctDataCheckBox, ctDataImage, ctVirtCheckBox, ctRowCheckBox});
}

bool TKitStringGrid::HasClickableControl(int ACol, int ARow) {
  if (ACol < 0 || ARow < 0) return false;
  if (HasCellType(ACol, ARow, TCellTypes{ctCheckBox, ctDataCheckBox, ctRadio, ctVirtCheckBox, ctRowCheckBox,
                                         ctRadioButton, ctTriStateCheckBox}))
    return true;
  if (HasCellType(ACol, ARow, TCellTypes{ctButton, ctBitButton, ctVirtButton}))
    return !FNavigation->AllowEditButtonCells();
  return false;
}

TIntList* TKitStringGrid::CellImages(int ACol, int ARow) {
  TCellGraphic* graphic = GetCellGraphic(ACol, ARow);
  return graphic ? graphic->CellImageList() : nullptr;
}

int TKitStringGrid::CellImageIdx(int ACol, int ARow) {
  TCellGraphic* graphic = GetCellGraphic(ACol, ARow);
  // Bitmaps and icons are objects, not indexes: they answer -1 like every
  // other kind without an index.
  if (graphic != nullptr && graphic->CellType() == ctImageList) return graphic->CellIndex();
  return -1;
}

TPoint TKitStringGrid::GetCellTextExtent(int ACol, int ARow, int AOffset) {
  if (HandleAllocated()) return CalcCellTextExtent(Canvas(), ACol, ARow, AOffset, 1.0);
  // Without a window the grid measures on a bitmap of its own.
  TBitmap scratch(1, 1);
  scratch.Canvas()->Font()->Assign(Font());
  return CalcCellTextExtent(scratch.Canvas(), ACol, ARow, AOffset, 1.0);
}

namespace {
bool BesideH(TCellHAlign a) { return a == haBeforeText || a == haAfterText; }
bool BesideV(TCellVAlign a) { return a == vaUnderText || a == vaAboveText; }
int RoundInt(double v) { return int(Round(v)); }
}  // namespace

TPoint TKitStringGrid::CalcCellTextExtent(TCanvas* Canvas, int ACol, int ARow, int AOffset, double Scale) {
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  if (g == nullptr || Canvas == nullptr) return TPoint(0, 0);
  if (Scale == 0) Scale = 1.0;
  const QString text = GetCellEx(ACol, ARow);
  const bool noText = text.isEmpty();
  const TRect cell = CellRect(DisplColIndex(ACol), ARow);
  const double dpi = GetDPIScale();
  int w = 0, h = 0;
  bool fills = false;
  switch (g->CellType()) {
    case ctBitmap: {
      auto* bitmap = dynamic_cast<TGraphic*>(g->CellBitmap());
      if (bitmap != nullptr) {
        w = BesideH(g->CellHAlign()) || noText ? bitmap->Width() : 0;
        h = BesideV(g->CellVAlign()) || noText ? bitmap->Height() : 0;
      }
      break;
    }
    case ctIcon: {
      auto* icon = dynamic_cast<TGraphic*>(g->CellIcon());
      if (icon != nullptr) {
        w = BesideH(g->CellHAlign()) || noText ? icon->Width() : 0;
        h = icon->Height();
      }
      break;
    }
    case ctImageList:
    case ctDataImage:
      if (TCustomImageList* images = GetGridImages()) {
        w = BesideH(g->CellHAlign()) || noText ? images->Width() : 0;
        h = BesideV(g->CellVAlign()) || noText ? images->Height() : 0;
      }
      break;
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
    case ctTriStateCheckBox:
      w = h = RoundInt(FControlLook->CheckSize() * dpi);
      break;
    case ctRadioButton:
      w = h = FControlLook->RadioSize();
      break;
    case ctRadio: {
      auto* choices = dynamic_cast<TStrings*>(g->CellBitmap());
      const int n = choices ? choices->Count() : 0;
      if (!g->CellBoolean()) {
        int widest = 0;
        for (int i = 0; i < n; ++i) widest = std::max(widest, Canvas->TextWidth(choices->Strings(i)) + 12);
        w = std::max(widest, 12);
        h = std::max(16, RoundInt((Canvas->TextHeight(QStringLiteral("gh")) + 3) * double(n) / Scale));
      } else {
        for (int i = 0; i < n; ++i) w += Canvas->TextWidth(choices->Strings(i)) + 12;
        h = Canvas->TextHeight(QStringLiteral("gh"));
      }
      break;
    }
    case ctImages:
      if (TCustomImageList* images = GetGridImages()) {
        const int k = g->CellImageList() ? g->CellImageList()->Count() : 0;
        if (g->CellBoolean()) {
          w = k * images->Width();
          h = images->Height();
        } else {
          w = images->Width();
          h = k * images->Height();
        }
      }
      break;
    case ctPicture:
    case ctFilePicture:
    case ctDataPicture: {
      const int roomX = FXYOffsetTopLeftOnly ? FXYOffset.X : 2 * FXYOffset.X;
      const int roomY = FXYOffsetTopLeftOnly ? FXYOffset.Y : 2 * FXYOffset.Y;
      const int cw = cell.Width() - 1 - roomX;
      const int rh = cell.Height() - 1 - roomY - AOffset;
      if (g->CellType() == ctDataPicture) {
        TGraphic* picture = FPictureContainer ? FPictureContainer->FindPicture(text) : nullptr;
        if (picture != nullptr) {
          const TPoint size = g->GetPictureSize(cw, rh, picture, false);
          w = size.X;
          h = size.Y;
        }
      } else {
        const TPoint size = g->GetPictureSize(cw, rh, nullptr, !noText);
        w = size.X;
        h = size.Y;
      }
      break;
    }
    case ctButton:
    case ctBitButton:
    case ctVirtButton: {
      const int bw = g->CellIndex() & 0xFFFF;
      const int bh = int((uint32_t(g->CellIndex()) >> 16) & 0xFFFF);
      w = RoundInt(bw * dpi);
      h = RoundInt(bh * dpi);
      const QString caption = g->CellText();
      if (!noText) {
        if (g->CellHAlign() == haCenter) w = 0;
        else if (g->CellHAlign() == haFull) w = RoundInt((Canvas->TextWidth(caption) + 4) / Scale);
        if (!(BesideV(g->CellVAlign()) || BesideH(g->CellHAlign()))) h = 0;
        if (BesideV(g->CellVAlign())) w = 0;
      } else if (g->CellHAlign() == haFull) {
        Canvas->Font()->Assign(Fonts(ACol, ARow));
        w = RoundInt((Canvas->TextWidth(caption) + 8) / Scale);
        if (!caption.isEmpty()) fills = true;
      }
      break;
    }
    case ctProgressPie:
      w = h = 20;
      break;
    case ctInterface: {
      auto* cellObject = dynamic_cast<IGridCell*>(g->CellBitmap());
      w = cellObject ? cellObject->GetWidth() : 0;
      h = cellObject ? cellObject->GetHeight() : 0;
      if (w == 0 || h == 0 || cellObject == nullptr) {
        w = cell.Width();
        h = cell.Height();
      }
      break;
    }
    case ctShape:
      w = h = DefaultRowHeight() - 4;
      break;
    case ctRating:
      w = 18 * g->CellAngle();
      h = 16;
      fills = true;
      break;
    default:
      break;
  }
  if (!fills) {
    if (g->CellVAlign() == vaFull) h = cell.Height();
    if (g->CellHAlign() == haFull) w = cell.Width();
  }
  return TPoint(w, h);
}

TPoint TKitStringGrid::CalcPrintCellTextExtent(int ACol, int ARow, int AWidth, int AHeight, double) {
  TCellGraphic* g = GetCellGraphic(ACol, ARow);
  if (g == nullptr) return TPoint(0, 0);
  const QString text = GetCellEx(ACol, ARow);
  const TRect cell = CellRect(DisplColIndex(ACol), ARow);
  int w = 0, h = 0;
  switch (g->CellType()) {
    case ctBitmap:
      if (auto* bitmap = dynamic_cast<TGraphic*>(g->CellBitmap())) {
        w = bitmap->Width();
        h = bitmap->Height();
      }
      break;
    case ctIcon:
      if (auto* icon = dynamic_cast<TGraphic*>(g->CellIcon())) {
        w = icon->Width();
        h = icon->Height();
      }
      break;
    case ctImageList:
    case ctDataImage:
      if (TCustomImageList* images = GetGridImages()) {
        w = images->Width();
        h = images->Height();
      }
      break;
    case ctNode:
      w = h = 20;
      break;
    case ctProgress:
    case ctXPProgress:
      w = cell.Width();
      h = cell.Height();
      break;
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
    case ctTriStateCheckBox:
      w = h = int(Round(FControlLook->CheckSize() * GetDPIScale()));
      break;
    case ctRadioButton:
      w = h = FControlLook->RadioSize();
      break;
    case ctRadio: {
      auto* choices = dynamic_cast<TStrings*>(g->CellBitmap());
      const int n = choices ? choices->Count() : 0;
      TBitmap scratch(1, 1);
      TCanvas* canvas = scratch.Canvas();
      canvas->Font()->Assign(Font());
      if (!g->CellBoolean()) {
        int widest = 0;
        for (int i = 0; i < n; ++i) widest = std::max(widest, canvas->TextWidth(choices->Strings(i)) + 12);
        w = std::max(widest, 12);
        h = canvas->TextHeight(QStringLiteral("gh")) * n;
      } else {
        for (int i = 0; i < n; ++i) w += canvas->TextWidth(choices->Strings(i)) + 12;
        h = canvas->TextHeight(QStringLiteral("gh"));
      }
      break;
    }
    case ctImages:
      if (TCustomImageList* images = GetGridImages()) {
        const int k = g->CellImageList() ? g->CellImageList()->Count() : 0;
        w = g->CellBoolean() ? k * images->Width() : images->Width();
        h = g->CellBoolean() ? images->Height() : k * images->Height();
      }
      break;
    case ctPicture:
    case ctFilePicture: {
      const TPoint size = g->GetPictureSize(AWidth, AHeight, nullptr, !text.isEmpty());
      w = size.X;
      h = size.Y;
      break;
    }
    case ctDataPicture:
      if (TGraphic* picture = FPictureContainer ? FPictureContainer->FindPicture(text) : nullptr) {
        const TPoint size = g->GetPictureSize(AWidth, AHeight, picture, false);
        w = size.X;
        h = size.Y;
      }
      break;
    case ctButton:
    case ctBitButton:
    case ctVirtButton:
      w = g->CellIndex() & 0xFFFF;
      h = int((uint32_t(g->CellIndex()) >> 16) & 0xFFFF);
      break;
    case ctProgressPie:
      w = h = 20;
      break;
    case ctInterface: {
      auto* cellObject = dynamic_cast<IGridCell*>(g->CellBitmap());
      w = cellObject ? cellObject->GetWidth() : 0;
      h = cellObject ? cellObject->GetHeight() : 0;
      if (w == 0) w = cell.Width();
      if (h == 0) h = cell.Height();
      break;
    }
    case ctShape:
      w = h = RowHeights(ARow) - 2 * FXYOffset.Y;
      break;
    default:
      break;
  }
  return TPoint(w, h);
}
