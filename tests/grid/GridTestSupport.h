#pragma once
// Grids for the grid tests: a grid constructed in two phases as components
// are, and checks that the merge information of a grid is consistent.

#include <QString>
#include <memory>

#include "grid/model/KitGrid.h"

namespace gridtest {

// A grid with no owner, made in two phases as every grid is.
inline std::unique_ptr<TKitStringGrid> NewGrid() { return CreateUnique<TKitStringGrid>(nullptr); }

// Every record of the grid that says it is covered points at a base cell
// whose area covers it; every base cell's area lies inside the grid and all
// its cells point back at it. Empty when consistent, else the first fault.
inline QString MergeFault(TKitStringGrid& Grid) {
  for (int c = 0; c < Grid.ColCount(); ++c)
    for (int r = 0; r < Grid.RowCount(); ++r) {
      TCellProperties* rec = Grid.FindCellProperties(c, r);
      if (rec == nullptr) continue;
      if (rec->IsBaseCell()) {
        if (rec->CellSpanX() <= 0 && rec->CellSpanY() <= 0) continue;
        const int lastCol = c + std::max(rec->CellSpanX(), 0);
        const int lastRow = r + std::max(rec->CellSpanY(), 0);
        if (lastCol >= Grid.ColCount() || lastRow >= Grid.RowCount())
          return QStringLiteral("area of %1,%2 leaves the grid").arg(c).arg(r);
        for (int x = c; x <= lastCol; ++x)
          for (int y = r; y <= lastRow; ++y) {
            if (x == c && y == r) continue;
            if (Grid.BaseCell(x, y) != TPoint(c, r))
              return QStringLiteral("cell %1,%2 of area %3,%4 has another base").arg(x).arg(y).arg(c).arg(r);
          }
        continue;
      }
      const TPoint base = rec->BaseCellOf(c, r);
      TCellProperties* baseRec = Grid.FindCellProperties(base.X, base.Y);
      if (baseRec == nullptr || !baseRec->IsBaseCell())
        return QStringLiteral("cell %1,%2 points at %3,%4, no base cell").arg(c).arg(r).arg(base.X).arg(base.Y);
      if (c > base.X + baseRec->CellSpanX() || r > base.Y + baseRec->CellSpanY())
        return QStringLiteral("cell %1,%2 lies outside the area of %3,%4").arg(c).arg(r).arg(base.X).arg(base.Y);
    }
  return QString();
}

}  // namespace gridtest
