#pragma once
// TBaseGrid: the grid base between the framework's string grid and
// TKitStringGrid. It keeps the cell texts in the string grid's store and uses
// each cell's object slot for one record of its own, TCellProperties, that
// carries everything the grid knows about a cell beyond its text: colours,
// font, alignment, word wrap, read-only flag, editor kind, node level, the
// user's object, the cell graphic, a control placed in the cell and the merge
// information of merged cells.
//
// Records are created by writers only: reading a cell that has no record
// answers the defaults and never creates one. A record is owned by the grid
// and owns the cell graphic it holds (unless the graphic was handed in as
// someone else's); the user object and a placed control are never owned.
//
// Coordinates are column, row; columns given to the cell store are storage
// (real) columns. Every coordinate is checked: the raw store raises the
// framework's list-index error for a cell outside it.

#include <QString>
#include <functional>
#include <memory>

#include "grid/model/KitGridTypes.h"
#include "grid/model/KitGridUndo.h"
#include "platform/rtl/Persistent.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/Grids.h"
#include "platform/vcl/StdCtrls.h"

class TBaseGrid;

// Footer calculation of a cell.
enum TColumnCalcType { acNONE, acSUM, acAVG, acCOUNT, acMIN, acMAX, acSPREAD, acCUSTOM, acDISTINCT, acSTDDEV };
TF_ENUM_NAMES(TColumnCalcType, acNONE, acSUM, acAVG, acCOUNT, acMIN, acMAX, acSPREAD, acCUSTOM, acDISTINCT,
              acSTDDEV)

// Selection frame style.
enum TGridSelectionStyle { ssDefault, ssVista, ssWin7, ssOffice2007 };
TF_ENUM_NAMES(TGridSelectionStyle, ssDefault, ssVista, ssWin7, ssOffice2007)

enum THoverRowCell { hcNormal, hcFixed, hcSelected, hcGroupHeader, hcGroupSummary };
TF_ENUM_NAMES(THoverRowCell, hcNormal, hcFixed, hcSelected, hcGroupHeader, hcGroupSummary)
using THoverRowCells = TSet<THoverRowCell>;

using TGetDisplWideTextEvent = std::function<void(TObject* Sender, int ACol, int ARow, QString& Value)>;

// ---------------------------------------------------------------------------
// TCellProperties: the record of one cell.

class TCellProperties : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TCellProperties)
  // The creation values; marks AOwner as having cell properties.
  TCellProperties(TBaseGrid* AOwner, int ACol, int ARow);
  TCellProperties(const TCellProperties&) = delete;
  TCellProperties& operator=(const TCellProperties&) = delete;
  // Frees the cell graphic when the record owns it.
  ~TCellProperties() override;
  // Records alive in the process (made and not yet freed): what tests of
  // the row and cell operations count leaks and double frees by.
  static int LiveCount();

  // From another record: IsBaseCell, CellSpanX, CellSpanY (through the
  // collapse rule), OwnerRow, OwnerCol, the object, Alignment, BorderColor,
  // BorderWidth, BrushColor, BrushStyle, FontColor, FontStyle, FontName,
  // FontSize, ReadOnly, Editor, VAlignment, WordWrap, NodeLevel, Control,
  // MergeCollaps. Not the graphic, BrushColorTo, GradientDirection,
  // CalcType, the paint serial or the owner grid. Other sources: nothing.
  void Assign(TPersistent* Source) override;

  // The base cell of the merged area holding (c, r), given that this is the
  // record of (c, r).
  TPoint BaseCellOf(int c, int r) const;

  TBaseGrid* OwnerGrid() const { return FOwnerGrid; }
  bool IsBaseCell() const { return FIsBaseCell; }
  void SetIsBaseCell(bool Value) { FIsBaseCell = Value; }
  int CellSpanX() const { return FCellSpanX; }
  void SetCellSpanX(int Value) { FCellSpanX = Value; }
  // Reads 0 while the merged area is collapsed with its node.
  int CellSpanY() const { return FMergeCollaps ? 0 : FCellSpanY; }
  void SetCellSpanY(int Value) { FCellSpanY = Value; }
  // The stored row span or offset, whatever the collapse flag says.
  int RawCellSpanY() const { return FCellSpanY; }
  int OwnerCol() const { return FOwnerCol; }
  void SetOwnerCol(int Value) { FOwnerCol = Value; }
  int OwnerRow() const { return FOwnerRow; }
  void SetOwnerRow(int Value) { FOwnerRow = Value; }
  TAlignment Alignment() const { return TAlignment(FAlignment); }
  void SetAlignment(TAlignment Value) { FAlignment = uint8_t(Value); }
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor Value) { FBorderColor = Value; }
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int Value) { FBorderWidth = Value; }
  TColor BrushColor() const { return FBrushColor; }
  // Stores and repaints the owner cell.
  void SetBrushColor(TColor Value);
  TColor BrushColorTo() const { return FBrushColorTo; }
  void SetBrushColorTo(TColor Value);
  TBrushStyle BrushStyle() const { return TBrushStyle(FBrushStyle); }
  void SetBrushStyle(TBrushStyle Value) { FBrushStyle = uint8_t(Value); }
  TObject* CellObject() const { return FObject; }
  void SetCellObject(TObject* Value) { FObject = Value; }
  TColor FontColor() const { return FFontColor; }
  void SetFontColor(TColor Value) { FFontColor = Value; }
  const QString& FontName() const { return FFontName; }
  void SetFontName(const QString& Value) { FFontName = Value; }
  // The font height (not a point size): negative is a character height.
  int FontSize() const { return FFontHeight; }
  void SetFontSize(int Value) { FFontHeight = Value; }
  TFontStyles FontStyle() const { return FFontStyle; }
  void SetFontStyle(TFontStyles Value) { FFontStyle = Value; }
  TEditorType Editor() const { return TEditorType(FEditor); }
  void SetEditor(TEditorType Value) { FEditor = uint8_t(Value); }
  TCellGradientDirection GradientDirection() const { return TCellGradientDirection(FGradientDirection); }
  void SetGradientDirection(TCellGradientDirection Value) { FGradientDirection = uint8_t(Value); }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  TVAlignment VAlignment() const { return TVAlignment(FVAlignment); }
  void SetVAlignment(TVAlignment Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  int NodeLevel() const { return FNodeLevel; }
  void SetNodeLevel(int Value) { FNodeLevel = Value; }
  TControl* Control() const { return FControl; }
  void SetControl(TControl* Value) { FControl = Value; }
  TColumnCalcType CalcType() const { return TColumnCalcType(FCalcType); }
  void SetCalcType(TColumnCalcType Value) { FCalcType = uint8_t(Value); }
  bool MergeCollaps() const { return FMergeCollaps; }
  void SetMergeCollaps(bool Value) { FMergeCollaps = Value; }
  int PaintID() const { return FPaintID; }
  void SetPaintID(int Value) { FPaintID = Value; }

  // The cell graphic and whether this record owns (and so frees) it.
  TObject* GraphicObject() const { return FGraphicObject; }
  bool OwnsGraphic() const { return FOwnsGraphic; }
  // Stores a graphic; a different graphic the record owned is freed.
  void SetGraphicObject(TObject* Value, bool Owned);
  // Hands the graphic out (the caller owns it if the record did) and
  // clears the reference.
  TObject* ExtractGraphicObject(bool& WasOwned);

  // Field writes without the repaint of the setters.
  void SetFieldBrushColor(TColor Value) { FBrushColor = Value; }
  void SetFieldBrushColorTo(TColor Value) { FBrushColorTo = Value; }
  void SetFieldVAlignment(TVAlignment Value) { FVAlignment = uint8_t(Value); }
  void SetFieldWordWrap(bool Value) { FWordWrap = Value; }

 private:
  void RepaintOwnerCell();

  TBaseGrid* FOwnerGrid;
  TObject* FObject = nullptr;
  TObject* FGraphicObject = nullptr;
  TControl* FControl = nullptr;
  QString FFontName;
  TFontStyles FFontStyle;
  int FOwnerCol;
  int FOwnerRow;
  TColor FBrushColor = clNone;
  TColor FBrushColorTo = clNone;
  int FFontHeight = 0;
  TColor FFontColor = clNone;
  int FCellSpanY = -1;
  int FCellSpanX = -1;
  int FBorderWidth = 0;
  TColor FBorderColor = 0;
  int FPaintID = 0;
  int FNodeLevel = 0;
  uint8_t FBrushStyle = bsSolid;
  uint8_t FAlignment = taLeftJustify;
  uint8_t FVAlignment = vtaTop;
  uint8_t FCalcType = acNONE;
  uint8_t FEditor = edNormal;
  uint8_t FGradientDirection = GradientVertical;
  bool FWordWrap;
  bool FIsBaseCell = true;
  bool FReadOnly = false;
  bool FMergeCollaps = false;
  bool FOwnsGraphic = false;
};

// ---------------------------------------------------------------------------
// TObjStringGrid and TBaseGrid

class TObjStringGrid : public TStringGrid {
 public:
  explicit TObjStringGrid(TComponent* AOwner) : TStringGrid(AOwner) {}
};

class TBaseGrid : public TObjStringGrid, public IKitGridUndoTarget {
 public:
  explicit TBaseGrid(TComponent* AOwner);
  // Frees the scratch objects and every cell properties record.
  ~TBaseGrid() override;

  // --- cell access (array properties, column first)
  // The text of the base cell of the merged area holding the cell, through
  // the display-text hooks for rows below the normal row count.
  QString Cells(int c, int r) { return GetCellEx(c, r); }
  void SetCells(int c, int r, const QString& Value) { SetCellEx(c, r, Value); }
  // The raw text of exactly that cell; no merging, no hooks, no repaint.
  QString GridCells(int c, int r) const { return GetGridCell(c, r); }
  void SetGridCells(int c, int r, const QString& Value) { SetGridCell(c, r, Value); }
  TObject* Objects(int c, int r) const { return GetObjectEx(c, r); }
  void SetObjects(int c, int r, TObject* Value) { SetObjectEx(c, r, Value); }
  TObject* GraphicObjects(int c, int r) const { return GetGraphicObjectEx(c, r); }
  void SetGraphicObjects(int c, int r, TObject* Value) { SetGraphicObjectEx(c, r, Value); }
  TCellProperties* CellProperties(int c, int r) { return GetCellProperties(c, r); }

  QString GetCellEx(int c, int r);
  void SetCellEx(int c, int r, const QString& Value);
  QString GetGridCell(int c, int r) const;
  void SetGridCell(int c, int r, const QString& Value);
  // The raw object slot (the record or nullptr); setting frees nothing.
  TObject* GetGridObject(int c, int r) const;
  void SetGridObject(int c, int r, TObject* Value);

  // The record of the cell, created (and filled from the cell's present
  // appearance) when the cell has none. Never nullptr.
  TCellProperties* GetCellProperties(int c, int r);
  // Frees the record in the slot (if any) and stores Value (may be nullptr;
  // the grid owns it from now on).
  void SetCellProperties(int c, int r, TCellProperties* Value);
  // True exactly when 0 <= c < TotalColCount, r >= 0 and the slot holds a
  // record. Never creates one.
  bool HasCellProperties(int c, int r) const;
  // The record of the cell, or nullptr; never creates one.
  TCellProperties* FindCellProperties(int c, int r) const;

  TObject* GetObjectEx(int c, int r) const;
  void SetObjectEx(int c, int r, TObject* Value);
  TObject* GetGraphicObjectEx(int c, int r) const;
  // Stores Value as the cell's graphic. A TCellGraphic is owned by the cell
  // from then on (and a different graphic the cell owned is freed); any other
  // object stays its owner's. Owned overrides that choice.
  void SetGraphicObjectEx(int c, int r, TObject* Value);
  void SetGraphicObjectEx(int c, int r, TObject* Value, bool Owned);
  static TObject* GraphicObjectOf(TCellProperties* Record) {
    return Record ? Record->GraphicObject() : nullptr;
  }

  // Frees the record of the cell (with a graphic it owns) and empties the
  // slot.
  void FreeCellProperties(int c, int r);
  // The same for every cell of the block; nothing before the first record.
  void FreeCellPropertiesRect(int c1, int r1, int c2, int r2);
  // Frees every record the grid holds, wherever it lies.
  void FreeAllCellProperties();
  // Empty the text, then drop the record without freeing it (it has been
  // moved elsewhere first).
  void DetachCell(int c, int r);
  void DetachRowCells(int r);
  void DetachColCells(int c);

  // Invalidates the cell's rectangle (its whole merged area) when the window
  // exists.
  virtual void RepaintCell(int c, int r);

  // --- painting
  // The paint step of a cell (display column) on any canvas: with content
  // (PaintCell) or background, frame and lines only (PaintCellExt).
  void PaintCell(TCanvas* ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState);
  void PaintCellExt(TCanvas* ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState);
  // The widths of the fixed columns, the heights of the fixed rows.
  int FixedColsWidth();
  int FixedRowsHeight();

  // --- merged cells
  TPoint BaseCell(int ACol, int ARow) const;
  bool IsBaseCell(int ACol, int ARow) const;
  bool ResolveBaseCell(int ACol, int ARow, int& c, int& r) const;
  void MoveToBaseCell();
  TPoint CellSpan(int ACol, int ARow) const;
  TPoint CellExt(int ACol, int ARow) const;
  TGridRect FullCell(int c, int r) const;
  bool IsMergedCell(int ACol, int ARow) const;
  bool IsMergedNonBaseCell(int ACol, int ARow) const;
  bool IsXMergedCell(int ACol, int ARow) const;
  bool IsYMergedCell(int ACol, int ARow) const;
  // Pixel rectangle of a display column's cell, or of its whole merged area.
  TRect CellRect(int c, int r);
  TPoint CellSize(int c, int r);
  // Where the cell lies on the client area, also when scrolled out of view.
  TRect UnclippedCellRect(int c, int r);
  int MinRowSpan(int ARow) const;
  int MaxRowSpan(int ARow) const;
  bool RowSpanIdentical(int ARow1, int ARow2) const;
  bool ColSpanIdentical(int ACol1, int ACol2) const;
  int MergeCount() const { return FMergeCount; }

  // --- virtual operations introduced here, in slot order
  virtual double GetDPIScale() { return 1.0; }
  virtual bool IsFixed(int ACol, int ARow) { return false; }
  virtual int GetNodeIndent(int ARow) { return 0; }
  virtual bool HasNodes() { return false; }
  virtual bool IsNode(int ARow) = 0;
  virtual bool IsSummary(int ARow) = 0;
  virtual void DrawGridCell(TCanvas* Canvas, int ACol, int ARow, TRect ARect, TGridDrawState AState);
  virtual void HiddenLastRowChanged() {}
  virtual bool HasCellCheckBox(int ACol, int ARow) = 0;
  virtual void SetCheckBoxText(int ACol, int ARow, const QString& Value) = 0;
  virtual void GetDisplText(int ACol, int ARow, QString& Value);
  virtual void GetDisplWideText(int ACol, int ARow, QString& Value);
  virtual void GetCellAppearance(int ACol, int ARow, TFont* AFont, TBrush* ABrush, TColor& AColorTo,
                                 TColor& AMirrorColor, TColor& AMirrorColorTo, TAlignment& HA, TVAlignment& VA,
                                 bool& WW, TCellGradientDirection& GD);
  virtual TAlignment GetDefaultAlignment() { return taLeftJustify; }
  virtual void UpdateCellScrollBar(int ACol, int ARow) {}
  virtual bool HasGetCellBorder() { return false; }
  virtual bool GetUseKWFStyles() { return false; }
  virtual void GetVisualProperties(int ACol, int ARow, TGridDrawState& AState, bool Print, bool Select,
                                   bool Remap, TBrush* ABrush, TColor& AColorTo, TColor& AMirrorColor,
                                   TColor& AMirrorColorTo, TFont* AFont, TAlignment& HA, TVAlignment& VA,
                                   bool& WW, TCellGradientDirection& GD) {}
  virtual int RealColIndex(int ACol) { return ACol; }
  virtual int DisplColIndex(int ACol) { return ACol; }
  // Makes the block of spanx x spany cells whose top-left is (c, r) one
  // merged area. The block is clipped to the grid; areas it overlaps are
  // split first.
  virtual void MergeCells(int c, int r, int spanx, int spany);
  virtual void SplitCells(int c, int r);
  virtual int TotalColCount() const { return ColCount(); }

  // --- properties
  bool ActiveRowShow() const { return FActiveRowShow; }
  void SetActiveRowShow(bool Value);
  TColor ActiveRowColor() const { return FActiveRowColor; }
  void SetActiveRowColor(TColor Value);
  TColor ActiveRowColorTo() const { return FActiveRowColorTo; }
  void SetActiveRowColorTo(TColor Value);
  TColor ActiveRowMirrorColor() const { return FActiveRowMirrorColor; }
  void SetActiveRowMirrorColor(TColor Value);
  TColor ActiveRowMirrorColorTo() const { return FActiveRowMirrorColorTo; }
  void SetActiveRowMirrorColorTo(TColor Value);
  bool DefaultDrawing() const { return FDefaultDrawing; }
  void SetDefaultDrawing(bool Value);
  int GetGridLineWidth() const { return FGridLineWidth; }
  int GridLineWidth() const { return FGridLineWidth; }
  void SetGridLineWidth(int Value);
  TColor GridLineColor() const { return FGridLineColor; }
  void SetGridLineColor(TColor Value);
  TColor GridFixedLineColor() const { return FGridFixedLineColor; }
  void SetGridFixedLineColor(TColor Value);
  int GridFixedLineWidth() const { return FGridFixedLineWidth; }
  void SetGridFixedLineWidth(int Value);
  bool HoverRow() const { return FHoverRow; }
  void SetHoverRow(bool Value) { FHoverRow = Value; }
  TColor HoverRowColor() const { return FHoverRowColor; }
  void SetHoverRowColor(TColor Value) { FHoverRowColor = Value; }
  TColor HoverRowColorTo() const { return FHoverRowColorTo; }
  void SetHoverRowColorTo(TColor Value) { FHoverRowColorTo = Value; }
  THoverRowCells HoverRowCells() const { return FHoverRowCells; }
  void SetHoverRowCells(THoverRowCells Value) { FHoverRowCells = Value; }
  TGridSelectionStyle SelectionStyle() const { return FSelectionStyle; }
  void SetSelectionStyle(TGridSelectionStyle Value);
  bool BaseWordWrap() const { return FWordWrap; }
  void SetBaseWordWrap(bool Value) { FWordWrap = Value; }
  TKitGridUndoRedo* UndoRedo() const { return FUndoRedo; }
  void SetUndoRedo(TKitGridUndoRedo* Value);
  bool HideLastRow() const { return FHideLastRow; }
  void SetHideLastRow(bool Value) { FHideLastRow = Value; }
  int NormalRowCount() const { return FNormalRowCount; }
  void SetNormalRowCount(int Value) { FNormalRowCount = Value; }
  bool HasCellProps() const { return FHasCellProps; }
  int PaintIDValue() const { return FPaintID; }
  bool EditCellSet() const { return FEditCellSet; }

  TGetDisplTextEvent OnGetDisplText;
  TGetDisplWideTextEvent OnGetDisplWideText;

  // --- what the undo component restores cells through
  TComponent* UndoGridComponent() override { return this; }
  QString UndoGetCell(int ACol, int ARow) override { return GetCellEx(ACol, ARow); }
  void UndoSetCell(int ACol, int ARow, const QString& Value) override { SetCellEx(ACol, ARow, Value); }
  bool UndoHasCellCheckBox(int ACol, int ARow) override { return HasCellCheckBox(ACol, ARow); }
  void UndoSetCheckBoxText(int ACol, int ARow, const QString& Value) override {
    SetCheckBoxText(ACol, ARow, Value);
  }
  int UndoDisplColIndex(int ACol) override { return DisplColIndex(ACol); }
  // A cell outside the grid (the grid shrank since the change) is restored
  // in the store but does not become current.
  void UndoSetCurrentCell(int ACol, int ARow) override;
  int UndoCurrentCol() override { return RawCol(); }
  void UndoRepaintCell(int ACol, int ARow) override { RepaintCell(ACol, ARow); }
  void UndoInvalidate() override { Invalidate(); }

 protected:
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
  // The framework's paint, then the next paint serial.
  void Paint() override;
  // One cell: rectangle, clip, look, hover and active row, background or
  // selection frame, grid lines, then DrawGridCell for the content.
  void PaintStep(TCanvas* Canvas, int ACol, bool WithContent, TGridDrawState AState, TRect R, int ARow);
  friend class TCellProperties;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void ChangeScale(int M, int D, bool isDpiChange) override;
  QString GetEditText(int ACol, int ARow) override;
  void SetEditText(int ACol, int ARow, const QString& Value) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
  bool SelectCell(int ACol, int ARow) override;
  void TopLeftChanged() override;

  // Makes a record for (c, r) on demand: store it first, then fill it from
  // the cell's present appearance.
  TCellProperties* CreateCellProperties(int c, int r);
  // Splits every merged area that has a cell in the block.
  void SplitAreasIn(int c1, int r1, int c2, int r2);

  // The scratch font and brush used when records are created.
  TFont* DefFont() const { return FDefFont.get(); }
  TBrush* DefBrush() const { return FDefBrush.get(); }

  int FHoverRowIdx = -1;
  bool FHoverRow = false;
  THoverRowCells FHoverRowCells{hcNormal, hcSelected};
  TColor FHoverRowColor = clInfoBk;
  TColor FHoverRowColorTo = clNone;
  bool FShowSel = true;
  bool FHasCellProps = false;
  int FMergeCount = 0;
  bool FEditCellSet = false;
  bool FWordWrap = true;

 private:
  bool FDefaultDrawing = false;
  int FGridLineWidth = 1;
  TColor FGridLineColor = 0xC0C0C0;
  TColor FGridFixedLineColor = 0x808080;
  int FGridFixedLineWidth = 1;
  int FPaintID = 1;
  bool FHideLastRow = false;
  int FNormalRowCount = 0;
  TKitGridUndoRedo* FUndoRedo = nullptr;
  bool FActiveRowShow = false;
  TColor FActiveRowColor = clInfoBk;
  TColor FActiveRowColorTo = clNone;
  TColor FActiveRowMirrorColor = clNone;
  TColor FActiveRowMirrorColorTo = clNone;
  TGridSelectionStyle FSelectionStyle = ssDefault;
  std::unique_ptr<TFont> FDefFont;
  std::unique_ptr<TBrush> FDefBrush;
};
