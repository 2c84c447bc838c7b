#pragma once
// The grid's print engine for one run: page layout (columns on paper, fit,
// bands, pages, repeated fixed rows and columns, frame lines) and the cell,
// header and footer printer it hands each page to. Private to the grid.
//
// Units: tenths of a millimetre. The target canvas runs in MM_LOMETRIC (y up):
// every vertical position here is a distance from the top of the page,
// growing downwards, and is negated where it meets the canvas (Ly).

#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "grid/model/KitGrid.h"

class TKitGridPrinter {
 public:
  // Mode: 0 draw a preview page, 1 print (or draw onto a canvas), 2 count
  // pages for printing, 3 count pages for a preview.
  TKitGridPrinter(TKitStringGrid& Grid, TCanvas* Canvas, int Mode, bool SelectedOnly, int PageTotal);
  ~TKitGridPrinter();
  // Lays out (and in the drawing modes draws) the pages; the page count.
  int Run();
  // The page's printable area is empty (margins, a zero-size page): Run
  // lays out nothing and answers 0.
  bool NoRoom() const { return FNoRoom; }

  // --- cells, header and footer
  int PrintCellRect(int y, int FromCol, int ToCol, int Row);
  TPoint MeasurePrintCell(int ACol, int ARow);
  int PrintHeaderFooter();
  QString PageNumberText();
  int RowPrintHeight(int Row);

 private:
  bool Drawing() const { return FMode == 0 || FMode == 1; }
  bool PageInRange(int page0) const { return page0 + 1 >= G.FPrintPageFrom && page0 + 1 <= G.FPrintPageTo; }
  bool RowPrinted(int Row);
  bool ColPrinted(int Col);
  static int Ly(int v) { return -v; }
  void ColumnWidths();
  void Fit();
  void Areas(bool FirstOfRun);
  void BandEdges(int Start, int End, bool Repeat, int FixedW);
  void FrameLines(int y, int Start, int End, bool Repeat);
  void StartNextPage();
  void SetPrintFont(TFont* Font, double Scale);
  int TextH(const QString& s);
  void DrawHtmlDevice(const TRect& R, const QString& Html, TFont* Font, bool WordWrap);
  // The rich text of the real cell (c, Row) in R (page distances).
  void DrawRichText(const TRect& R, int c, int Row);
  void PrintCell(int y, int B, int Row, int Step, int FromCol, int ToCol);
  // A graphic or a screen painter drawn on a bitmap of WPx x HPx screen
  // pixels (the graphic's size, or R's, when 0) stretched over R (page
  // distances).
  void StretchScreenPaint(const TRect& R, TGraphic* Graphic, TColor Ground,
                          const std::function<void(TCanvas*, const TRect&)>& Paint, int WPx = 0, int HPx = 0);
  QString CellText(int c, int Row, int& Kind);
  QString HeaderPart(int Pos, const QString& Text, const QString& Part);

  TKitStringGrid& G;
  TPrintSettings& PS;
  TCanvas* C;
  int FMode;
  bool FSelOnly;
  int FPageTotal;
  bool FNoRoom = false;
  int W = 0, Hp = 0, s = 0;
  double m = 1;
  double pixel = 254.0 / 96;
  double r = 1;
  int dpi = 96;
  int gap = 0, halfG = 0, hdrH = 0, ftrH = 0, q = 0, f = 0, hdrSz = 0, ftrSz = 0;
  int p = 0;
  int bandStart = 0, bandEnd = 0, bandNr = 0, pageInBand = 0;
  bool multiBand = false, repeatCols = false;
  int htmlTitleH = 0;
  int lastRowAsked = -1, lastRowHeight = 0;
  std::vector<int> MaxWidths, Indents;
  // Cell sizes measured for the column widths at scale 1, by range row and
  // column (X < 0: not measured); the row heights reuse them when the fit
  // leaves the scale at 1.
  std::vector<TPoint> FMeasured;
  TPoint* Measured(int Col, int Row);
  std::unique_ptr<TFont> FCellFont;
  std::unique_ptr<TBrush> FCellBrush;
  std::unique_ptr<TPen> FSavedPen;
};
