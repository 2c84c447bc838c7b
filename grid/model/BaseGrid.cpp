#include "grid/model/BaseGrid.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <utility>
#include <vector>

#include "grid/model/KitGridCellGraphic.h"
#include "grid/model/KitGridUtils.h"
#include "platform/win32/WinUser.h"

// ---------------------------------------------------------------------------
// TCellProperties

TF_PUBLISHED(TCellProperties, TPersistent) {
  using P = TCellProperties;
  return TPublished<P>()
      .Boolean("IsBaseCell", &P::IsBaseCell, &P::SetIsBaseCell)
      .Default(true)
      .Integer("CellSpanX", &P::CellSpanX, &P::SetCellSpanX)
      .Default(-1)
      .Integer("CellSpanY", &P::CellSpanY, &P::SetCellSpanY)
      .Default(-1)
      .Integer("OwnerCol", &P::OwnerCol, &P::SetOwnerCol)
      .Stored(false)
      .Integer("OwnerRow", &P::OwnerRow, &P::SetOwnerRow)
      .Stored(false)
      .Enum("Alignment", &P::Alignment, &P::SetAlignment)
      .Default(taLeftJustify)
      .Color("BorderColor", &P::BorderColor, &P::SetBorderColor)
      .Default(0)
      .Integer("BorderWidth", &P::BorderWidth, &P::SetBorderWidth)
      .Default(0)
      .Color("BrushColor", &P::BrushColor, &P::SetBrushColor)
      .Default(clNone)
      .Color("BrushColorTo", &P::BrushColorTo, &P::SetBrushColorTo)
      .Default(clNone)
      .Enum("BrushStyle", &P::BrushStyle, &P::SetBrushStyle)
      .Default(bsSolid)
      .Object("CellObject", &P::CellObject, &P::SetCellObject)
      .Color("FontColor", &P::FontColor, &P::SetFontColor)
      .Default(clNone)
      .String("FontName", &P::FontName, &P::SetFontName)
      .Integer("FontSize", &P::FontSize, &P::SetFontSize)
      .Default(0)
      .Set("FontStyle", &P::FontStyle, &P::SetFontStyle)
      .TypeName("TFontStyles")
      .Enum("Editor", &P::Editor, &P::SetEditor)
      .Default(edNormal)
      .Enum("GradientDirection", &P::GradientDirection, &P::SetGradientDirection)
      .Default(GradientVertical)
      .Boolean("ReadOnly", &P::ReadOnly, &P::SetReadOnly)
      .Default(false)
      .Enum("VAlignment", &P::VAlignment, &P::SetVAlignment)
      .Default(vtaTop)
      .Boolean("WordWrap", &P::WordWrap, &P::SetWordWrap)
      .NoDefault()
      .Integer("NodeLevel", &P::NodeLevel, &P::SetNodeLevel)
      .Default(0)
      .Object(
          "Control", [](const P& p) -> TComponent* { return p.Control(); },
          [](P& p, TComponent* v) { p.SetControl(dynamic_cast<TControl*>(v)); });
}

namespace {
std::atomic<int> gLiveCellProperties{0};
}  // namespace

int TCellProperties::LiveCount() { return gLiveCellProperties.load(); }

TCellProperties::TCellProperties(TBaseGrid* AOwner, int ACol, int ARow)
    : FOwnerGrid(AOwner), FOwnerCol(ACol), FOwnerRow(ARow), FWordWrap(AOwner ? AOwner->FWordWrap : true) {
  if (AOwner != nullptr) AOwner->FHasCellProps = true;
  ++gLiveCellProperties;
}

TCellProperties::~TCellProperties() {
  --gLiveCellProperties;
  if (FOwnsGraphic) {
    std::unique_ptr<TObject> graphic(FGraphicObject);
    FGraphicObject = nullptr;
  }
}

void TCellProperties::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TCellProperties*>(Source);
  if (src == nullptr) return;
  FIsBaseCell = src->FIsBaseCell;
  FCellSpanX = src->FCellSpanX;
  FCellSpanY = src->CellSpanY();
  FOwnerRow = src->FOwnerRow;
  FOwnerCol = src->FOwnerCol;
  FObject = src->FObject;
  FAlignment = src->FAlignment;
  FBorderColor = src->FBorderColor;
  FBorderWidth = src->FBorderWidth;
  FBrushColor = src->FBrushColor;
  FBrushStyle = src->FBrushStyle;
  FFontColor = src->FFontColor;
  FFontStyle = src->FFontStyle;
  FFontName = src->FFontName;
  FFontHeight = src->FFontHeight;
  FReadOnly = src->FReadOnly;
  FEditor = src->FEditor;
  FVAlignment = src->FVAlignment;
  FWordWrap = src->FWordWrap;
  FNodeLevel = src->FNodeLevel;
  FControl = src->FControl;
  FMergeCollaps = src->FMergeCollaps;
}

TPoint TCellProperties::BaseCellOf(int c, int r) const {
  if (FIsBaseCell) return TPoint(c, r);
  return TPoint(c - FCellSpanX, r - CellSpanY());
}

void TCellProperties::RepaintOwnerCell() {
  if (FOwnerGrid != nullptr) FOwnerGrid->RepaintCell(FOwnerCol, FOwnerRow);
}

void TCellProperties::SetBrushColor(TColor Value) {
  FBrushColor = Value;
  RepaintOwnerCell();
}

void TCellProperties::SetBrushColorTo(TColor Value) {
  FBrushColorTo = Value;
  RepaintOwnerCell();
}

void TCellProperties::SetVAlignment(TVAlignment Value) {
  FVAlignment = uint8_t(Value);
  RepaintOwnerCell();
}

void TCellProperties::SetWordWrap(bool Value) {
  FWordWrap = Value;
  RepaintOwnerCell();
}

void TCellProperties::SetGraphicObject(TObject* Value, bool Owned) {
  if (Value != FGraphicObject && FOwnsGraphic) {
    std::unique_ptr<TObject> previous(FGraphicObject);
  }
  FGraphicObject = Value;
  FOwnsGraphic = Value != nullptr && Owned;
}

TObject* TCellProperties::ExtractGraphicObject(bool& WasOwned) {
  WasOwned = FOwnsGraphic;
  TObject* graphic = FGraphicObject;
  FGraphicObject = nullptr;
  FOwnsGraphic = false;
  return graphic;
}

// ---------------------------------------------------------------------------
// TBaseGrid: life

TBaseGrid::TBaseGrid(TComponent* AOwner)
    : TObjStringGrid(AOwner), FDefFont(std::make_unique<TFont>()), FDefBrush(std::make_unique<TBrush>()) {
  SetDefaultDrawing(false);
  SetGridLineWidth(1);
}

TBaseGrid::~TBaseGrid() {
  FDefFont.reset();
  FDefBrush.reset();
  FreeAllCellProperties();
}

// ---------------------------------------------------------------------------
// Raw store

QString TBaseGrid::GetGridCell(int c, int r) const { return RawCells(c, r); }

void TBaseGrid::SetGridCell(int c, int r, const QString& Value) { SetRawCells(c, r, Value); }

TObject* TBaseGrid::GetGridObject(int c, int r) const { return RawObjects(c, r); }

void TBaseGrid::SetGridObject(int c, int r, TObject* Value) { SetRawObjects(c, r, Value); }

// ---------------------------------------------------------------------------
// Records

bool TBaseGrid::HasCellProperties(int c, int r) const { return FindCellProperties(c, r) != nullptr; }

TCellProperties* TBaseGrid::FindCellProperties(int c, int r) const {
  if (!FHasCellProps || c < 0 || r < 0 || c >= TotalColCount()) return nullptr;
  return dynamic_cast<TCellProperties*>(GetGridObject(c, r));
}

TCellProperties* TBaseGrid::GetCellProperties(int c, int r) {
  if (auto* rec = dynamic_cast<TCellProperties*>(GetGridObject(c, r))) return rec;
  return CreateCellProperties(c, r);
}

TCellProperties* TBaseGrid::CreateCellProperties(int c, int r) {
  auto owned = std::make_unique<TCellProperties>(this, c, r);
  owned->SetAlignment(GetDefaultAlignment());
  SetGridObject(c, r, owned.get());  // the appearance query below finds this record
  TCellProperties* rec = owned.release();

  TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
  TAlignment ha = rec->Alignment();
  TVAlignment va = vtaTop;
  bool ww = FWordWrap;
  TCellGradientDirection gd = GradientVertical;
  GetCellAppearance(c, r, FDefFont.get(), FDefBrush.get(), colorTo, mirror, mirrorTo, ha, va, ww, gd);

  rec->SetCalcType(acNONE);
  rec->SetAlignment(ha);
  rec->SetFieldVAlignment(va);
  rec->SetFieldWordWrap(ww);
  rec->SetFontName(FDefFont->Name());
  rec->SetFontSize(FDefFont->Height());
  rec->SetFontStyle(FDefFont->Style());
  rec->SetFontColor(FDefFont->Color());
  rec->SetFieldBrushColor(FDefBrush->Color());
  rec->SetFieldBrushColorTo(colorTo);
  rec->SetGradientDirection(gd);
  return rec;
}

void TBaseGrid::SetCellProperties(int c, int r, TCellProperties* Value) {
  std::unique_ptr<TCellProperties> incoming(Value);
  TObject* previous = GetGridObject(c, r);  // raises for a bad coordinate before anything changes
  if (previous == Value) {
    incoming.release();
    return;
  }
  // A record in the slot is freed; a foreign object is not ours to free.
  std::unique_ptr<TCellProperties> old(dynamic_cast<TCellProperties*>(previous));
  SetGridObject(c, r, incoming.release());
  if (Value != nullptr) FHasCellProps = true;
}

TObject* TBaseGrid::GetObjectEx(int c, int r) const {
  TCellProperties* rec = FindCellProperties(c, r);
  return rec ? rec->CellObject() : nullptr;
}

void TBaseGrid::SetObjectEx(int c, int r, TObject* Value) {
  // The store keeps object slots whatever the text, so no placeholder text
  // is written: the cell's text stays what it was.
  GetCellProperties(c, r)->SetCellObject(Value);
}

TObject* TBaseGrid::GetGraphicObjectEx(int c, int r) const {
  TCellProperties* rec = FindCellProperties(c, r);
  return rec ? rec->GraphicObject() : nullptr;
}

void TBaseGrid::SetGraphicObjectEx(int c, int r, TObject* Value) {
  SetGraphicObjectEx(c, r, Value, dynamic_cast<TCellGraphic*>(Value) != nullptr);
}

void TBaseGrid::SetGraphicObjectEx(int c, int r, TObject* Value, bool Owned) {
  if (ComponentState().Contains(csDestroying)) {
    if (Value == nullptr)
      if (TCellProperties* rec = FindCellProperties(c, r)) rec->SetGraphicObject(nullptr, false);
    return;
  }
  TCellProperties* rec = dynamic_cast<TCellProperties*>(GetGridObject(c, r));
  if (rec == nullptr) {
    // A record as made on demand, filled through the repainting setters.
    auto owned = std::make_unique<TCellProperties>(this, c, r);
    owned->SetAlignment(GetDefaultAlignment());
    SetGridObject(c, r, owned.get());
    rec = owned.release();
    TFont font;
    TBrush brush;
    TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
    TAlignment ha = rec->Alignment();
    TVAlignment va = vtaTop;
    bool ww = FWordWrap;
    TCellGradientDirection gd = GradientVertical;
    GetCellAppearance(c, r, &font, &brush, colorTo, mirror, mirrorTo, ha, va, ww, gd);
    rec->SetAlignment(ha);
    rec->SetVAlignment(va);
    rec->SetWordWrap(ww);
    rec->SetFontName(font.Name());
    rec->SetFontSize(font.Height());
    rec->SetFontStyle(font.Style());
    rec->SetFontColor(font.Color());
    rec->SetBrushColor(brush.Color());
    rec->SetBrushColorTo(colorTo);
    rec->SetGradientDirection(gd);
  }
  rec->SetGraphicObject(Value, Owned);
}

void TBaseGrid::FreeCellProperties(int c, int r) {
  std::unique_ptr<TCellProperties> rec(dynamic_cast<TCellProperties*>(GetGridObject(c, r)));
  if (rec != nullptr) SetGridObject(c, r, nullptr);
}

void TBaseGrid::FreeCellPropertiesRect(int c1, int r1, int c2, int r2) {
  if (!FHasCellProps) return;
  if (c2 < c1 || r2 < r1) return;
  c1 = std::max(c1, 0);
  r1 = std::max(r1, 0);
  // Rows the store never allocated hold nothing.
  c2 = std::min(c2, GridsDetail::TGridCellStore::MaxCols - 1);
  r2 = std::min(r2, Store().RowSpan() - 1);
  for (int c = c1; c <= c2; ++c)
    for (int r = r1; r <= r2; ++r)
      if (dynamic_cast<TCellProperties*>(GetGridObject(c, r)) != nullptr) FreeCellProperties(c, r);
}

void TBaseGrid::FreeAllCellProperties() {
  if (!FHasCellProps) return;
  // Every record in the store, wherever rows and columns moved it and
  // whatever the counts are now.
  std::vector<std::pair<int, int>> cells;
  EnumStoredObjects([&](int c, int r, TObject* Object) {
    if (dynamic_cast<TCellProperties*>(Object) != nullptr) cells.emplace_back(c, r);
  });
  for (const auto& [c, r] : cells) FreeCellProperties(c, r);
}

void TBaseGrid::DetachCell(int c, int r) {
  SetCellEx(c, r, QString());
  SetGridObject(c, r, nullptr);
}

void TBaseGrid::DetachRowCells(int r) {
  for (int c = 0; c < ColCount(); ++c) {
    SetGridObject(c, r, nullptr);
    SetCellEx(c, r, QString());
  }
}

void TBaseGrid::DetachColCells(int c) {
  for (int r = 0; r < RowCount(); ++r) {
    SetGridObject(c, r, nullptr);
    SetCellEx(c, r, QString());
  }
}

// ---------------------------------------------------------------------------
// Cell text

QString TBaseGrid::GetCellEx(int c, int r) {
  int bc = c, br = r;
  if (TCellProperties* rec = FindCellProperties(c, r)) {
    const TPoint base = rec->BaseCellOf(c, r);
    bc = base.X;
    br = base.Y;
  }
  QString result = GetGridCell(bc, br);
  if (br < FNormalRowCount) {
    GetDisplText(bc, br, result);
    if (OnGetDisplWideText) {
      QString wide = DecodeWideText(result);
      GetDisplWideText(bc, br, wide);
      result = EncodeWideText(wide);
    }
  }
  return result;
}

void TBaseGrid::SetCellEx(int c, int r, const QString& Value) {
  if (TCellProperties* rec = FindCellProperties(c, r)) {
    const TPoint base = rec->BaseCellOf(c, r);
    SetGridCell(base.X, base.Y, Value);
    UpdateCellScrollBar(base.X, base.Y);
    if (Parent() != nullptr) RepaintCell(c, r);
  } else {
    FEditCellSet = true;
    try {
      SetRawCells(c, r, Value);  // the string grid repaints the cell itself
    } catch (...) {
      FEditCellSet = false;
      throw;
    }
    FEditCellSet = false;
  }
  if (FHideLastRow && r == RowCount() - 1) HiddenLastRowChanged();
}

void TBaseGrid::GetDisplText(int ACol, int ARow, QString& Value) {
  if (OnGetDisplText) OnGetDisplText(this, ACol, ARow, Value);
}

void TBaseGrid::GetDisplWideText(int ACol, int ARow, QString& Value) {
  if (OnGetDisplWideText) OnGetDisplWideText(this, ACol, ARow, Value);
}

void TBaseGrid::GetCellAppearance(int ACol, int ARow, TFont* AFont, TBrush* ABrush, TColor& AColorTo,
                                  TColor& AMirrorColor, TColor& AMirrorColorTo, TAlignment& HA, TVAlignment& VA,
                                  bool& WW, TCellGradientDirection& GD) {
  AFont->Assign(Font());
  ABrush->SetColor(Color());
  AColorTo = clNone;
  AMirrorColor = clNone;
  AMirrorColorTo = clNone;
  HA = GetDefaultAlignment();
  VA = vtaTop;
  WW = FWordWrap;
  GD = GradientVertical;
}

void TBaseGrid::UndoSetCurrentCell(int ACol, int ARow) {
  if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount()) return;
  SetRawCol(ACol);
  SetRawRow(ARow);
}

void TBaseGrid::RepaintCell(int c, int r) {
  if (!HandleAllocated()) return;
  const TRect rect = CellRect(c, r);
  const RECT rc{rect.Left, rect.Top, rect.Right, rect.Bottom};
  ::InvalidateRect(Handle(), &rc, TRUE);
}

// ---------------------------------------------------------------------------
// Properties

void TBaseGrid::SetActiveRowShow(bool Value) {
  if (FActiveRowShow == Value) return;
  FActiveRowShow = Value;
  Invalidate();
}

void TBaseGrid::SetActiveRowColor(TColor Value) {
  if (FActiveRowColor == Value) return;
  FActiveRowColor = Value;
  Invalidate();
}

void TBaseGrid::SetActiveRowColorTo(TColor Value) {
  if (FActiveRowColorTo == Value) return;
  FActiveRowColorTo = Value;
  Invalidate();
}

void TBaseGrid::SetActiveRowMirrorColor(TColor Value) {
  if (FActiveRowMirrorColor == Value) return;
  FActiveRowMirrorColor = Value;
  Invalidate();
}

void TBaseGrid::SetActiveRowMirrorColorTo(TColor Value) {
  if (FActiveRowMirrorColorTo == Value) return;
  FActiveRowMirrorColorTo = Value;
  Invalidate();
}

void TBaseGrid::SetDefaultDrawing(bool Value) {
  FDefaultDrawing = Value;
  TCustomGrid::SetDefaultDrawing(false);
}

void TBaseGrid::SetGridLineWidth(int Value) {
  FGridLineWidth = Value;
  TCustomGrid::SetGridLineWidth(0);
  Invalidate();
}

void TBaseGrid::SetGridLineColor(TColor Value) {
  if (FGridLineColor == Value) return;
  FGridLineColor = Value;
  Invalidate();
}

void TBaseGrid::SetGridFixedLineColor(TColor Value) {
  if (FGridFixedLineColor == Value) return;
  FGridFixedLineColor = Value;
  Invalidate();
}

void TBaseGrid::SetGridFixedLineWidth(int Value) {
  if (FGridFixedLineWidth == Value) return;
  FGridFixedLineWidth = Value;
  Invalidate();
}

void TBaseGrid::SetSelectionStyle(TGridSelectionStyle Value) {
  if (FSelectionStyle == Value) return;
  FSelectionStyle = Value;
  Invalidate();
}

void TBaseGrid::SetUndoRedo(TKitGridUndoRedo* Value) {
  if (FUndoRedo != nullptr && FUndoRedo != Value) FUndoRedo->RemoveFreeNotification(this);
  FUndoRedo = Value;
  if (Value != nullptr) {
    Value->FreeNotification(this);
    Value->SetGrid(this);
  }
}

void TBaseGrid::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent != nullptr && AComponent == FUndoRedo) FUndoRedo = nullptr;
  TObjStringGrid::Notification(AComponent, Operation);
}

void TBaseGrid::ChangeScale(int M, int D, bool isDpiChange) {
  // The grid applies its DPI scale to its sizes itself: only the control's
  // bounds and font scale here.
  TWinControl::ChangeScale(M, D, isDpiChange);
}

QString TBaseGrid::GetEditText(int ACol, int ARow) { return TObjStringGrid::GetEditText(ACol, ARow); }

void TBaseGrid::SetEditText(int ACol, int ARow, const QString& Value) {
  TObjStringGrid::SetEditText(ACol, ARow, Value);
}
