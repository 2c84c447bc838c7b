#pragma once
// The grid's drop target and drop source over the drag-and-drop framework
// (foundation/ksgdd.h). The target takes drops of grid cells, text, rich
// text, URLs, files and columns; it shows where a drop lands (the insert
// markers' places are kept on the grid: DropMarkerLeft, DropMarkerDown,
// DropMarkerUp) and scrolls while the mouse moves near the edges. The
// source shows the dragged cells beside the cursor.

#include "foundation/ksgdd.h"

class TKitStringGrid;

class TGridDropTarget : public TKSGDropTarget {
 public:
  explicit TGridDropTarget(TKitStringGrid* AGrid) : FGrid(AGrid) {}
  bool DropText(TPoint pt, const QString& s) override;
  void DropStream(TPoint pt, TMemoryStream* Stream) override;
  void DropCol(TPoint pt, int Col) override;
  void DropRTF(TPoint pt, const QString& s) override;
  void DropFiles(TPoint pt, TStrings* Files) override;
  void DropFileContents(TPoint pt) override {}
  void DropURL(TPoint pt, const QString& s) override;
  void DragMouseMove(TPoint pt, bool& Allow, TDropFormats DropFormats) override;
  void DragMouseEnter() override {}
  void DragMouseLeave() override;

  TKitStringGrid* FGrid;

 private:
  // The cell under a screen point (-1 outside the cells), the client point,
  // and the append rule below the last row.
  void CellAt(TPoint pt, bool ColDrag, int& ACol, int& ARow, bool& Append);
};

class TGridDropSource : public TKSGDropSource {
 public:
  explicit TGridDropSource(TKitStringGrid* aGrid) : FGrid(aGrid) {}
  void DragDropStop() override;
  void CurrentEffect(DWORD dwEffect) override;
  void QueryDrag() override {}
  QPixmap DragPixmap(QPoint& HotSpot) override;

  TKitStringGrid* FGrid;
  int FLastEffect = 0;
  // A column drag: the header's picture instead of the cells'.
  int FColumn = -1;
};

namespace kitgridio {
// True when the file name's extension is .csv, or one of the workbook
// extensions (.xls, .xlsx, .xlsm), compared without case.
bool IsCsvFileName(const QString& Name);
bool IsWorkbookFileName(const QString& Name);
}  // namespace kitgridio
