// TStringGrid: cells over the sparse store, the Rows/Cols views, the cell
// text's painting and editing; the published tables of the grids.

#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Grids.h"

// ---------------------------------------------------------------------------
// The Rows/Cols views

class TStringGridStrings : public TStrings {
 public:
  TStringGridStrings(TStringGrid* Grid, bool IsRow, int Index) : FGrid(Grid), FIsRow(IsRow), FIndex(Index) {}

  int Add(const QString& S) override {
    // The first empty cell takes it (an empty string as a blank, so that the
    // cell counts as used); -1 when every cell holds text.
    for (int i = 0; i < Count(); ++i) {
      if (Get(i).isEmpty()) {
        Put(i, S.isEmpty() ? QStringLiteral(" ") : S);
        return i;
      }
    }
    return -1;
  }
  void Clear() override {
    BeginUpdate();
    struct TEnd {
      TStrings* S;
      ~TEnd() { S->EndUpdate(); }
    } end{this};
    for (int i = 0; i < Count(); ++i) {
      Put(i, QString());
      PutObject(i, nullptr);
    }
  }
  void Delete(int Index) override { Refuse(); }
  void Insert(int Index, const QString& S) override { Refuse(); }
  void Assign(TPersistent* Source) override {
    auto* source = dynamic_cast<TStrings*>(Source);
    if (!source) {
      TStrings::Assign(Source);
      return;
    }
    BeginUpdate();
    struct TEnd {
      TStrings* S;
      ~TEnd() { S->EndUpdate(); }
    } end{this};
    const int n = std::min(source->Count(), Count());
    for (int i = 0; i < n; ++i) {
      Put(i, source->Strings(i));
      PutObject(i, source->Objects(i));
    }
  }

 protected:
  QString Get(int Index) const override {
    Check(Index);
    return FIsRow ? FGrid->RawCells(Index, FIndex) : FGrid->RawCells(FIndex, Index);
  }
  int GetCount() const override { return FIsRow ? FGrid->RawColCount() : FGrid->RawRowCount(); }
  TObject* GetObject(int Index) const override {
    Check(Index);
    return FIsRow ? FGrid->RawObjects(Index, FIndex) : FGrid->RawObjects(FIndex, Index);
  }
  void Put(int Index, const QString& S) override {
    Check(Index);
    if (FIsRow)
      FGrid->SetRawCells(Index, FIndex, S);
    else
      FGrid->SetRawCells(FIndex, Index, S);
  }
  void PutObject(int Index, TObject* AObject) override {
    Check(Index);
    if (FIsRow)
      FGrid->SetRawObjects(Index, FIndex, AObject);
    else
      FGrid->SetRawObjects(FIndex, Index, AObject);
  }
  void SetUpdateState(bool Updating) override {
    if (Updating) {
      FWasUpdating = FGrid->Updating();
      FGrid->SetUpdating(true);
    } else {
      FGrid->SetUpdating(FWasUpdating);
      if (!FWasUpdating) FGrid->InvalidateGrid();
    }
  }

 private:
  void Check(int Index) const {
    if (Index < 0 || Index >= GetCount()) Error(RtlConsts::SListIndexError, Index);
  }
  [[noreturn]] void Refuse() const {
    throw EInvalidGridOperation(QString::fromLatin1(GridsConsts::SInvalidStringGridOp));
  }
  TStringGrid* FGrid;
  bool FIsRow;
  int FIndex;
  bool FWasUpdating = false;
};

// ---------------------------------------------------------------------------
// TStringGrid

TStringGrid::TStringGrid(TComponent* AOwner) : TDrawGrid(AOwner) {}

TStringGrid::~TStringGrid() = default;

void TStringGrid::SetRawCells(int ACol, int ARow, const QString& Value) {
  FStore.SetText(ACol, ARow, Value);
  CellChanged(ACol, ARow);
}

void TStringGrid::SetRawObjects(int ACol, int ARow, TObject* Value) {
  FStore.SetObject(ACol, ARow, Value);
  CellChanged(ACol, ARow);
}

void TStringGrid::CellChanged(int ACol, int ARow) {
  if (Updating()) return;
  InvalidateCell(ACol, ARow);
  if (FEditUpdate == 0 && EditorMode() && ACol == RawCol() && ARow == RawRow()) InvalidateEditor();
}

TStrings* TStringGrid::Rows(int Index) {
  GridsDetail::TGridCellStore::CheckRow(Index);
  std::unique_ptr<TStrings>& view = FRowViews[Index];
  if (!view) view = std::make_unique<TStringGridStrings>(this, true, Index);
  return view.get();
}

void TStringGrid::SetRows(int Index, TStrings* Value) { Rows(Index)->Assign(Value); }

TStrings* TStringGrid::Cols(int Index) {
  GridsDetail::TGridCellStore::CheckCol(Index);
  std::unique_ptr<TStrings>& view = FColViews[Index];
  if (!view) view = std::make_unique<TStringGridStrings>(this, false, Index);
  return view.get();
}

void TStringGrid::SetCols(int Index, TStrings* Value) { Cols(Index)->Assign(Value); }

void TStringGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
  if (DefaultDrawing()) Canvas()->TextRect(ARect, ARect.Left + 2, ARect.Top + 2, FStore.Text(ACol, ARow));
  TDrawGrid::DrawCell(ACol, ARow, ARect, AState);
}

void TStringGrid::ColumnMoved(int FromIndex, int ToIndex) {
  FStore.MoveColumn(FromIndex, ToIndex);
  TDrawGrid::ColumnMoved(FromIndex, ToIndex);
}

void TStringGrid::RowMoved(int FromIndex, int ToIndex) {
  FStore.MoveRow(FromIndex, ToIndex);
  TDrawGrid::RowMoved(FromIndex, ToIndex);
}

QString TStringGrid::GetEditText(int ACol, int ARow) {
  QString result = FStore.Text(ACol, ARow);
  if (OnGetEditText) OnGetEditText(this, ACol, ARow, result);
  return result;
}

void TStringGrid::SetEditText(int ACol, int ARow, const QString& Value) {
  ++FEditUpdate;
  struct TDone {
    int& Count;
    ~TDone() { --Count; }
  } done{FEditUpdate};
  if (Value != FStore.Text(ACol, ARow)) SetRawCells(ACol, ARow, Value);
  TDrawGrid::SetEditText(ACol, ARow, Value);
}

void TStringGrid::EnumStoredObjects(const std::function<void(int, int, TObject*)>& Visit) const {
  FStore.ForEachObject(Visit);
}

// ---------------------------------------------------------------------------
// Published

TF_PUBLISHED(TDrawGrid, TComponent) {
  return PublishedWinControl<TDrawGrid>()
      .Integer("ColCount", &TDrawGrid::ColCount, &TDrawGrid::SetColCount)
      .Default(5)
      .Integer("RowCount", &TDrawGrid::RowCount, &TDrawGrid::SetRowCount)
      .Default(5)
      .Integer("FixedCols", &TDrawGrid::FixedCols, &TDrawGrid::SetFixedCols)
      .Default(1)
      .Integer("FixedRows", &TDrawGrid::FixedRows, &TDrawGrid::SetFixedRows)
      .Default(1)
      .Integer("DefaultColWidth", &TDrawGrid::DefaultColWidth, &TDrawGrid::SetDefaultColWidth)
      .Default(64)
      .Integer("DefaultRowHeight", &TDrawGrid::DefaultRowHeight, &TDrawGrid::SetDefaultRowHeight)
      .Default(24)
      .Boolean("DefaultDrawing", &TDrawGrid::DefaultDrawing, &TDrawGrid::SetDefaultDrawing)
      .Default(true)
      .Color("Color", &TDrawGrid::Color, &TDrawGrid::SetColor)
      .Default(clWindow)
      .Color("FixedColor", &TDrawGrid::FixedColor, &TDrawGrid::SetFixedColor)
      .Default(clBtnFace)
      .Integer("GridLineWidth", &TDrawGrid::GridLineWidth, &TDrawGrid::SetGridLineWidth)
      .Default(1)
      .Set("Options", &TDrawGrid::Options, &TDrawGrid::SetOptions)
      .TypeName("TGridOptions")
      .Default(TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect})
      .Enum("ScrollBars", &TDrawGrid::ScrollBars, &TDrawGrid::SetScrollBars)
      .Default(ssBoth)
      .Boolean("Ctl3D", &TDrawGrid::Ctl3D, &TDrawGrid::SetCtl3D)
      .Default(true)
      .Enum("DrawingStyle", &TDrawGrid::DrawingStyle, &TDrawGrid::SetDrawingStyle)
      .Default(gdsClassic)
      .Event("OnDrawCell", &TDrawGrid::OnDrawCell)
      .Event("OnSelectCell", &TDrawGrid::OnSelectCell)
      .Event("OnTopLeftChanged", &TDrawGrid::OnTopLeftChanged)
      .Event("OnColumnMoved", &TDrawGrid::OnColumnMoved)
      .Event("OnRowMoved", &TDrawGrid::OnRowMoved)
      .Event("OnGetEditMask", &TDrawGrid::OnGetEditMask)
      .Event("OnGetEditText", &TDrawGrid::OnGetEditText)
      .Event("OnSetEditText", &TDrawGrid::OnSetEditText)
      .Event("OnFixedCellClick", &TDrawGrid::OnFixedCellClick);
}

TF_PUBLISHED(TStringGrid, TDrawGrid) { return TPublished<TStringGrid>(); }
