// The grid's drag and drop: its drop target (drops of cells, text, rich
// text, URLs, files and columns, the insert markers, scrolling while
// dragging), its drop source, and the drag out of the grid with the move
// of the source afterwards.
//
// A drop into the same grid above the dragged rows shifts them down only
// when the drop inserted rows (OleInsertRows); a drop that overwrote cells
// leaves them where they were, so the move afterwards takes away the rows
// that were dragged and not their neighbours. Dropped files are told apart
// by their extension (.csv; .xls, .xlsx, .xlsm), not by a part of the name.

#include "grid/io/KitGridDragDrop.h"

#include <QFileInfo>
#include <QWidget>

#include "grid/io/KitGridClipboard.h"
#include "grid/io/KitGridIOSupport.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitObjAux.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

using namespace kitgridio;

namespace kitgridio {

bool IsCsvFileName(const QString& Name) { return QFileInfo(Name).suffix().compare("csv", Qt::CaseInsensitive) == 0; }

bool IsWorkbookFileName(const QString& Name) {
  const QString ext = QFileInfo(Name).suffix().toLower();
  return ext == QStringLiteral("xls") || ext == QStringLiteral("xlsx") || ext == QStringLiteral("xlsm");
}

}  // namespace kitgridio

namespace {

QByteArray StreamBytes(TMemoryStream* S) {
  return QByteArray(static_cast<const char*>(S->Memory()), static_cast<qsizetype>(S->Size()));
}

// Runs a load the user asked for by dropping a file; a failure is reported
// like any other the program does not handle itself.
template <typename F>
void ReportingFailures(TKitStringGrid* Grid, F Load) {
  try {
    Load();
  } catch (const Exception&) {
    if (Application != nullptr) Application->HandleException(Grid);
    else throw;
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// TGridDropTarget

void TGridDropTarget::CellAt(TPoint pt, bool ColDrag, int& ACol, int& ARow, bool& Append) {
  const TPoint client = FGrid->ScreenToClient(pt);
  FGrid->MouseToCell(client.X, client.Y, ACol, ARow);
  Append = false;
  TDragDropSettings* dd = FGrid->DragDropSettings();
  if (ARow < 0 && !ColDrag && dd->OleEntireRows() && dd->OleAppendRows()) {
    const TRect last = FGrid->CellRect(FGrid->LeftCol(), FGrid->RowCount() - 1);
    if (last.Bottom > last.Top && client.Y >= last.Bottom) {
      ACol = FGrid->FixedCols();
      ARow = FGrid->RowCount() - 1;
      Append = true;
    }
  }
}

void TGridDropTarget::DragMouseMove(TPoint pt, bool& Allow, TDropFormats DropFormats) {
  TKitStringGrid* g = FGrid;
  TDragDropSettings* dd = g->DragDropSettings();
  const bool colDrag = DropFormats.Contains(dfCol);
  int c = -1, r = -1;
  bool append = false;
  CellAt(pt, colDrag, c, r, append);
  const TPoint client = g->ScreenToClient(pt);
  Allow = c >= 0 && r >= 0;

  if (Allow && !colDrag) {
    if ((r == 0 && g->TopRow() > g->FixedRows()) || (client.Y < 8 && g->FixedRows() == 0 && g->TopRow() > 0))
      g->SetTopRow(g->TopRow() - 1);
    else if (r == g->TopRow() + g->VisibleRowCount() && r < g->RowCount()) g->SetTopRow(g->TopRow() + 1);
    if (g->FTimerTicks % 2 == 0) {
      if (c == 0 && g->LeftCol() > g->FixedCols()) g->SetLeftCol(g->LeftCol() - 1);
      else if (c == g->LeftCol() + g->VisibleColCount() && c < g->ColCount()) g->SetLeftCol(g->LeftCol() + 1);
    }
    ++g->FTimerTicks;
  }

  if (!colDrag) {
    if (Allow && r < g->FixedRows() && !(g->RowCount() == 1 && g->FixedRowAlways())) Allow = false;
  } else if (c < 0) {
    c = g->ColCount();
    r = 0;
    Allow = true;
  } else {
    Allow = r < g->FixedRows() && c >= g->FixedCols();
  }
  const bool validCell = c >= 0 && r >= 0;
  const bool files = DropFormats.Contains(dfFile);
  Allow = (Allow || files || DropFormats.Contains(dfGridCells)) && (validCell || files);
  Allow = Allow || ((DropFormats.Contains(dfURL) || DropFormats.Contains(dfURI)) && dd->OleAcceptURLs());
  if (g->OnOleDragOver) g->OnOleDragOver(g, r, c, Allow);

  // The insert markers, in screen coordinates.
  g->HideDropMarkers(true, true, true);
  if (Allow && colDrag) {
    const TRect cr = g->CellRect(std::min(c, g->ColCount() - 1), std::max(r, 0));
    const int left = c >= g->ColCount() ? cr.Right : cr.Left;
    const TPoint top = g->ClientToScreen(TPoint(left, cr.Top - 8));
    const TPoint bottom = g->ClientToScreen(TPoint(left, cr.Bottom));
    g->FDropMarkerDown = top;
    g->FDropMarkerUp = bottom;
  } else if (Allow && validCell) {
    if (r == 0 && g->FixedRowAlways()) {
      r = 1;
      append = false;
    }
    const int mc = dd->OleEntireRows() ? g->FixedCols() : c;
    const TRect cr = g->CellRect(mc, std::min(r, g->RowCount() - 1));
    const int y = append ? cr.Bottom : cr.Top;
    g->FDropMarkerLeft = g->ClientToScreen(TPoint(cr.Left - 10, y));
  }
  g->ShowDropMarkers();
}

void TGridDropTarget::DragMouseLeave() { FGrid->HideDropMarkers(true, true, true); }

bool TGridDropTarget::DropText(TPoint pt, const QString& s) {
  TKitStringGrid* g = FGrid;
  TDragDropSettings* dd = g->DragDropSettings();
  int c = -1, r = -1;
  bool append = false;
  CellAt(pt, false, c, r, append);
  if (dd->OleEntireRows()) c = 0;
  if (g->Options().Contains(goRowSelect)) c = dd->OleEntireRows() ? 0 : g->FixedCols();
  int cols = 0, rows = 0;
  GetTextBlockSize(s, cols, rows);
  bool allow = true;
  if (g->OnOleDrop) g->OnOleDrop(g, r, c, s, allow);
  if (!allow) {
    g->HideDropMarkers(true, true, true);
    return false;
  }
  if (c < 0 || r < 0) {
    // Nothing stored: no effect, so a move does not take the source away.
    g->HideDropMarkers(true, true, false);
    return false;
  }
  if (r == 0 && g->FixedRowAlways() && g->RowCount() == 1) r = 1;
  if (dd->OleInsertRows()) {
    if (g->FDropSelection.Top >= 0 && r <= g->FDropSelection.Top && !append) {
      g->FDropSelection.Top += rows + 1;
      g->FDropSelection.Bottom += rows + 1;
      if (g->MouseActions()->DisjunctRowSelect() && r <= g->FRowSelect->Count())
        for (int i = 0; i <= rows; ++i) g->FRowSelect->Insert(r, nullptr);
    }
    if (append) {
      g->SetRowCount(g->RowCount() + rows + 1);
      ++r;
    } else {
      g->InsertRows(r, rows + 1, true);
    }
    if (g->TopRow() > g->FixedRows()) g->SetTopRow(g->TopRow() + 1);
  }
  int pc = 0, pr = 0;
  g->PasteTextBlock(c, r, s, pc, pr);
  const int left = std::max(c, g->FixedCols());
  int right = g->Options().Contains(goRowSelect) ? left + cols - g->FixedCols() : left + cols - 1;
  right = std::clamp(right, left, g->ColCount() - 1);
  const int bottom = std::min(r + rows, g->RowCount() - 1);
  if (left < g->ColCount() && r < g->RowCount()) g->SetSelection(TGridRect{left, r, right, bottom});
  g->HideDropMarkers(true, true, false);
  if (g->OnOleDropped) g->OnOleDropped(g, g->Selection());
  return true;
}

void TGridDropTarget::DropStream(TPoint pt, TMemoryStream* Stream) {
  TKitStringGrid* g = FGrid;
  TDragDropSettings* dd = g->DragDropSettings();
  const QByteArray bytes = AtPointStream(StreamBytes(Stream));
  TBinStreamHeader h;
  if (!GridCellsReadable(bytes, h)) {
    g->HideDropMarkers(true, true, false);
    FDropRefused = true;
    return;
  }
  int c = -1, r = -1;
  bool append = false;
  CellAt(pt, false, c, r, append);
  if (dd->OleEntireRows()) c = 0;
  if (c < 0 || r < 0) {
    g->HideDropMarkers(true, true, false);
    FDropRefused = true;
    return;
  }
  CheckLoadSize(c + h.ColCount, r + h.RowCount, QStringLiteral("dropped grid cells"));
  const int n = h.RowCount;
  int firstInserted = -1;
  if (dd->OleInsertRows()) {
    if (!append && r <= dd->FSourceY) dd->FDeltaY = n;
    if (append) {
      g->SetRowCount(g->RowCount() + n);
      ++r;
    } else {
      g->InsertRows(r, n, true);
    }
    firstInserted = r;
    if (g->TopRow() > g->FixedRows()) g->SetTopRow(g->TopRow() + 1);
  }
  // Cells beyond the grid grow it, as a paste does.
  if (g->ColCount() < c + h.ColCount) g->SetColCount(c + h.ColCount);
  if (g->RowCount() < r + h.RowCount) g->SetRowCount(r + h.RowCount);
  TBytesStream bs(bytes);
  g->LoadAtPointFromBinStream(TPoint(c, r), &bs);
  if (firstInserted >= 0) {
    int i = 0;
    for (const QString& part : h.RowHeights.split(u',')) {
      bool ok = false;
      const int height = part.trimmed().toInt(&ok);
      if (!ok) continue;
      if (i >= n || firstInserted + i >= g->RowCount()) break;
      g->SetRowHeights(firstInserted + i, height);
      ++i;
    }
  }
  g->SetSelection(TGridRect{std::max(c, g->FixedCols()), r, std::min(c + h.ColCount - 1, g->ColCount() - 1),
                            std::min(r + n - 1, g->RowCount() - 1)});
  g->HideDropMarkers(true, true, false);
  if (g->OnOleDropped) g->OnOleDropped(g, g->Selection());
}

void TGridDropTarget::DropCol(TPoint pt, int DropCol) {
  TKitStringGrid* g = FGrid;
  TDragDropSettings* dd = g->DragDropSettings();
  int c = -1, r = -1;
  bool append = false;
  CellAt(pt, true, c, r, append);
  if (c < 0) c = g->ColCount();
  g->HideDropMarkers(false, true, true);
  const bool enh = g->EnhRowColMove();
  if (g->FOleDragCol != -1) {
    if (g->FOleDragList != nullptr && g->FOleDragIndex >= 0 && g->FOleDragIndex < g->FOleDragList->Items()->Count())
      g->FOleDragList->Items()->Delete(g->FOleDragIndex);
    const int col = g->FOleDragCol;
    int pos = 0;
    if (TIntList* order = g->ColumnOrder())
      for (int i = 0; i < order->Count(); ++i)
        if (order->Items(i) == col) pos = i;
    g->UnHideColumn(col);
    if (c >= 0 && c < g->ColCount()) {
      g->SetEnhRowColMove(true);
      g->MoveColumn(g->DisplColIndex(pos), c);
      g->SetEnhRowColMove(enh);
    }
    g->FOleDragCol = -1;
  } else if (dd->OleColumnReorder()) {
    const int target = std::min(c, g->ColCount() - 1);
    const int from = DropCol;
    if (from >= 0 && from < g->ColCount() && from != target) {
      g->SetEnhRowColMove(true);
      g->MoveColumn(from, target);
      g->SetEnhRowColMove(enh);
    }
  }
  if (g->OnOleDropCol) g->OnOleDropCol(g, r, c, DropCol);
}

void TGridDropTarget::DropRTF(TPoint pt, const QString& s) {
  TKitStringGrid* g = FGrid;
  int c = -1, r = -1;
  bool append = false;
  CellAt(pt, false, c, r, append);
  bool allow = true;
  if (g->OnOleDrop) g->OnOleDrop(g, r, c, s, allow);
  if (allow && c >= 0 && r >= 0 && c < g->ColCount() && r < g->RowCount()) g->SetCells(g->RealColIndex(c), r, s);
  else FDropRefused = true;
  g->HideDropMarkers(true, true, false);
}

void TGridDropTarget::DropURL(TPoint pt, const QString& s) {
  TKitStringGrid* g = FGrid;
  int c = -1, r = -1;
  bool append = false;
  CellAt(pt, false, c, r, append);
  bool allow = true;
  if (g->OnOleDropURL) g->OnOleDropURL(g, r, c, s, allow);
  if (allow && c >= 0 && r >= 0 && c < g->ColCount() && r < g->RowCount()) g->SetCells(g->RealColIndex(c), r, s);
  g->HideDropMarkers(true, true, false);
}

void TGridDropTarget::DropFiles(TPoint pt, TStrings* Files) {
  TKitStringGrid* g = FGrid;
  int c = -1, r = -1;
  bool append = false;
  CellAt(pt, false, c, r, append);
  if (Files->Count() == 1) {
    const QString name = Files->Strings(0);
    bool allow = true;
    if (g->OnOleDropFile) g->OnOleDropFile(g, r, c, name, allow);
    if (allow) {
      if (IsCsvFileName(name)) {
        bool ok = true;
        if (g->OnOleDrop) g->OnOleDrop(g, -1, -1, name, ok);
        if (ok) ReportingFailures(g, [&] { g->LoadFromCSV(name, -1, -1); });
      }
      if (IsWorkbookFileName(name)) {
        bool ok = true;
        if (g->OnOleDrop) g->OnOleDrop(g, -1, -1, name, ok);
        if (ok) ReportingFailures(g, [&] { g->LoadFromXLS(name); });
      }
    }
  } else if (Files->Count() > 1) {
    if (g->OnOleDropFiles) g->OnOleDropFiles(g, r, c, Files);
  }
  g->HideDropMarkers(true, true, false);
}

// ---------------------------------------------------------------------------
// TGridDropSource

void TGridDropSource::DragDropStop() {}

void TGridDropSource::CurrentEffect(DWORD dwEffect) {
  if (dwEffect == DROPEFFECT_COPY || dwEffect == DROPEFFECT_MOVE) FLastEffect = static_cast<int>(dwEffect);
}

QPixmap TGridDropSource::DragPixmap(QPoint& HotSpot) {
  QWidget* w = FGrid->WidgetIfAllocated();
  if (w == nullptr) return QPixmap();
  TRect box;
  if (FColumn >= 0) box = FGrid->CellRect(FColumn, 0);
  else if (FGrid->DragDropSettings()->ShowCells()) {
    // The visible part of the selection.
    const TGridRect sel = FGrid->Selection();
    const int top = std::max(sel.Top, FGrid->TopRow()), left = std::max(sel.Left, FGrid->LeftCol());
    const TRect a = FGrid->CellRect(left, top), b = FGrid->CellRect(sel.Right, sel.Bottom);
    box = TRect(a.Left, a.Top, b.Right > b.Left ? b.Right : w->width(), b.Bottom > b.Top ? b.Bottom : w->height());
  } else return QPixmap();
  if (box.Right <= box.Left || box.Bottom <= box.Top) return QPixmap();
  if (FColumn >= 0) {
    // The header button: its bottom left at the cursor.
    HotSpot = QPoint(0, box.Bottom - box.Top);
  } else {
    // The cells, 4 pixels right of and below the cursor.
    HotSpot = QPoint(-4, -4);
  }
  return w->grab(QRect(box.Left, box.Top, box.Right - box.Left, box.Bottom - box.Top));
}

// ---------------------------------------------------------------------------
// The grid's side

bool TDragDropSettings::Registered() const { return FGrid != nullptr ? FGrid->OleDropTargetAssigned() : FRegistered; }

void TDragDropSettings::SetOleDropRTF(bool Value) {
  FOleDropRTF = Value;
  EnableRTFDragDrop(Value);
}

void TKitStringGrid::DataBinderClear() {
  if (!ComponentState().Contains(csDestroying)) Clear();
}

void TKitStringGrid::HideDropMarkers(bool Left, bool Down, bool Up) {
  if (Left) FDropMarkerLeft = TPoint(-1, -1);
  if (Down) FDropMarkerDown = TPoint(-1, -1);
  if (Up) FDropMarkerUp = TPoint(-1, -1);
  ShowDropMarkers();
}

void TKitStringGrid::ShowDropMarkers() {
  // The arrows are child windows of the grid's top-level window, so that an
  // arrow may stand beside the grid (the row marker 10 pixels left of the
  // first column lies outside it) and above its neighbours.
  TWinControl* host = this;
  while (host->Parent() != nullptr) host = host->Parent();
  auto place = [&](TArrowDirection Dir, const TPoint& At) {
    TArrowWindow* arrow = FArrows[Dir];
    if (arrow == nullptr) return;
    if (At.X == -1 && At.Y == -1) {
      arrow->SetVisible(false);
      return;
    }
    if (!host->HandleAllocated() || ComponentState().Contains(csDestroying)) return;
    if (arrow->Parent() != host) arrow->SetParent(host);
    const TPoint p = host->ScreenToClient(At);
    const TRect box = TArrowWindow::ArrowBounds(Dir);
    arrow->SetBounds(p.X, p.Y, box.Right, box.Bottom);
    arrow->HandleNeeded();
    arrow->SetVisible(true);
    arrow->BringToFront();
  };
  place(arrLeft, FDropMarkerLeft);
  place(arrDown, FDropMarkerDown);
  place(arrUp, FDropMarkerUp);
}

void TKitStringGrid::SetOleDropTargetActive(bool Value) {
  if (Value) {
    if (!FGridDropTarget) FGridDropTarget = std::make_shared<TGridDropTarget>(this);
    FGridDropTarget->FAcceptText = FDragDropSettings->OleAcceptText();
    FGridDropTarget->FAcceptFiles = FDragDropSettings->OleAcceptFiles();
    FGridDropTarget->FAcceptURLs = FDragDropSettings->OleAcceptURLs();
    FGridDropTarget->FAcceptCols = false;
    // A grid without a window yet is registered when its window is made
    // (CreateWnd).
    QWidget* w = WidgetIfAllocated();
    FOleDropTargetAssigned = w != nullptr && RegisterDragDrop(w, FGridDropTarget);
  } else {
    if (FOleDropTargetAssigned) RevokeDragDrop(WidgetIfAllocated());
    FOleDropTargetAssigned = false;
  }
}

void TKitStringGrid::OleColumnDragStart(int ACol, int AIndex, TListBox* AList) {
  FOleDragCol = ACol;
  FOleDragIndex = AIndex;
  FOleDragList = AList;
}

int TKitStringGrid::StartOleDrag(int ACol, int ARow) {
  TDragDropSettings* dd = FDragDropSettings.get();
  if (!dd->OleDropSource() || ACol < 0 || ARow < 0) return 0;
  const bool fixedRow = ARow < FixedRows();
  if (dd->OleColumnsOnly() && !fixedRow) return 0;
  bool allow = true;
  if (OnOleDrag) OnOleDrag(this, ARow, ACol, Cells(RealColIndex(ACol), ARow), allow);
  if (!allow) return 0;
  auto source = std::make_shared<TGridDropSource>(this);
  if (OnOleDragStart) OnOleDragStart(this, ARow, ACol);
  DWORD effect = DROPEFFECT_NONE;
  const DWORD ok = DROPEFFECT_COPY | DROPEFFECT_MOVE;

  if (fixedRow && dd->OleColumnDragDrop()) {
    source->FColumn = ACol;
    const int res = BeginColumnDrag(source, ACol, ok, effect);
    if (res != DRAGDROP_S_CANCEL && OnOleDragStop) OnOleDragStop(this, static_cast<int>(effect));
    return res;
  }

  const TGridRect sel = Selection();
  FDropSelection = sel;
  dd->FDeltaY = 0;
  dd->FSourceY = sel.Top;
  TGridRect range = sel;
  if (dd->OleEntireRows()) {
    range.Left = 0;
    range.Right = ColCount() - 1;
  }
  TMemoryStream ms;
  const bool cells = FNavigation->AllowFmtClipboard();
  if (cells) SaveRectToBinStream(TRect(range.Left, range.Top, range.Right, range.Bottom), &ms, false);
  const QString text = SelectionToText(sel, false);
  const int res = BeginTextDrag(source, text, Cells(RealColIndex(ACol), ARow), effect, ok, cells ? &ms : nullptr);
  if (res == DRAGDROP_S_CANCEL) {
    FDropSelection = TGridRect{-1, -1, -1, -1};
    return res;
  }
  if (effect == DROPEFFECT_MOVE && !dd->OleCopyAlways()) {
    const TGridRect moved{FDropSelection.Left, FDropSelection.Top + dd->FDeltaY, FDropSelection.Right,
                          FDropSelection.Bottom + dd->FDeltaY};
    if (dd->OleRemoveRows() && Options().Contains(goRowSelect)) {
      if (FMouseActions->DisjunctRowSelect()) {
        TIntList rows(-1, -1);
        for (int r = FixedRows(); r < RowCount(); ++r)
          if (GetRowSelect(r)) rows.Add(r);
        ClearRowSelect();
        RemoveRowList(&rows);
      } else if (moved.Top >= 0 && moved.Bottom < RowCount()) {
        RemoveRows(moved.Top, moved.Bottom - moved.Top + 1);
      }
    } else if (FMouseActions->DisjunctRowSelect()) {
      for (int r = FixedRows(); r < RowCount(); ++r)
        if (GetRowSelect(r)) ClearRows(r, 1);
    } else if (moved.Top >= 0 && moved.Bottom < RowCount()) {
      ClearRect(moved);
    }
  }
  FDropSelection = TGridRect{-1, -1, -1, -1};
  if (OnOleDragStop) OnOleDragStop(this, static_cast<int>(effect));
  return res;
}
