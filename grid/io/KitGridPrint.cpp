// TKitStringGrid printing: the print and preview operations and the page
// layout of the print engine (columns on paper, fit to page, bands, pages,
// repeated fixed rows and columns, frame lines).

#include <QImage>
#include <cmath>
#include <limits>

#include "foundation/KitMiniHTMLEngine.h"
#include "grid/io/KitGridPrintEngine.h"
#include "grid/model/KitGridUtils.h"
#include "platform/vcl/Printers.h"
#include "platform/win32/Gdi.h"
#include "platform/win32/Printing.h"

namespace {

const QString kNoRoom = QStringLiteral("The print margins leave no room on the page");

int RoundI(double v) { return int(std::nearbyint(v)); }

// Keeps a canvas in MM_LOMETRIC for a scope, with the page's origin at the
// device point origin; restores the mapping as it was.
class TLoMetric {
 public:
  TLoMetric(TCanvas* C, QPoint origin = {}) : h_(C->Handle()) {
    mode_ = GetMapMode(h_);
    GetViewportOrgEx(h_, &vp_);
    GetWindowOrgEx(h_, &wo_);
    SetMapMode(h_, MM_LOMETRIC);
    SetWindowOrgEx(h_, 0, 0, nullptr);
    SetViewportOrgEx(h_, origin.x(), origin.y(), nullptr);
  }
  ~TLoMetric() {
    SetMapMode(h_, mode_);
    SetViewportOrgEx(h_, vp_.x, vp_.y, nullptr);
    SetWindowOrgEx(h_, wo_.x, wo_.y, nullptr);
  }
  TLoMetric(const TLoMetric&) = delete;
  TLoMetric& operator=(const TLoMetric&) = delete;

 private:
  HDC h_;
  int mode_;
  POINT vp_{}, wo_{};
};

// A canvas at the printer's resolution for the counting pass: measuring on
// the printer's own scale makes the count and the printed pages agree.
struct TMeasureCanvas {
  explicit TMeasureCanvas(int dpi) : image(1, 1, QImage::Format_ARGB32_Premultiplied) {
    image.fill(Qt::white);
    dc = CreateImageDC(&image, dpi);
    canvas.SetHandle(dc);
  }
  ~TMeasureCanvas() {
    canvas.SetHandle(nullptr);
    DeleteDC(dc);
  }
  QImage image;
  HDC dc = nullptr;
  TCanvas canvas;
};

}  // namespace

// ---------------------------------------------------------------------------
// Operations

void TKitStringGrid::Print() { PrintRange(MakeGridRect(0, 0, ColCount() - 1, RowCount() - 1), false); }
void TKitStringGrid::PrintSelection() { PrintRange(Selection(), false); }
void TKitStringGrid::PrintRect(const TGridRect& Gridrect) { PrintRange(Gridrect, false); }
void TKitStringGrid::PrintSelectedRows() { PrintRange(MakeGridRect(0, 0, ColCount() - 1, RowCount() - 1), true); }
void TKitStringGrid::PrintSelectedCols() { PrintRange(MakeGridRect(0, 0, ColCount() - 1, RowCount() - 1), true); }

void TKitStringGrid::PrintPreview(TCanvas* Canvas, const TRect& Displayrect) {
  PreviewRange(Canvas, Displayrect, false, MakeGridRect(0, 0, ColCount() - 1, RowCount() - 1));
}
void TKitStringGrid::PrintPreviewRect(TCanvas* Canvas, const TRect& Displayrect, const TGridRect& Gridrect) {
  PreviewRange(Canvas, Displayrect, false, Gridrect);
}
void TKitStringGrid::PrintPreviewSelection(TCanvas* Canvas, const TRect& Displayrect) {
  PreviewRange(Canvas, Displayrect, false, Selection());
}
void TKitStringGrid::PrintPreviewSelectedRows(TCanvas* Canvas, const TRect& Displayrect) {
  PreviewRange(Canvas, Displayrect, true, MakeGridRect(0, 0, ColCount() - 1, RowCount() - 1));
}
void TKitStringGrid::PrintPreviewSelectedCols(TCanvas* Canvas, const TRect& Displayrect) {
  PreviewRange(Canvas, Displayrect, true, MakeGridRect(0, 0, ColCount() - 1, RowCount() - 1));
}
void TKitStringGrid::PrintDraw(TCanvas* Canvas, const TRect& DrawRect) {
  PrintDrawRect(Canvas, DrawRect, MakeGridRect(0, 0, ColCount() - 1, RowCount() - 1));
}

int TKitStringGrid::MapFontHeight(double pointsize) const {
  return -int(std::trunc(pointsize * 254.0 / 72.0 * FFontscalefactor));
}
int TKitStringGrid::MapFontSize(int Height) const { return int(std::trunc(Height * 72.0 / 254.0)); }

void TKitStringGrid::PrintRange(const TGridRect& Range, bool SelectedOnly) {
  ExportNotification(esExportStart, -1);
  FPrintRect = Range;
  TPrinter* prn = Printer();
  if (!prn->Printing() && !FPrintSettings->UseDefaultOrientation()) prn->SetOrientation(FPrintSettings->Orientation());
  const HDC ph = prn->Handle();
  const int dpiX = std::max(1, GetDeviceCaps(ph, LOGPIXELSX)), dpiY = std::max(1, GetDeviceCaps(ph, LOGPIXELSY));
  FPrevRect =
      TRect(0, 0, RoundI(254.0 / dpiX * GetDeviceCaps(ph, HORZRES)), RoundI(254.0 / dpiY * GetDeviceCaps(ph, VERTRES)));
  prn->SetTitle(FPrintSettings->JobName());

  FUseCacheRowHeights = false;
  int total = std::numeric_limits<int>::max();
  if (!FFastPrint) {
    TMeasureCanvas mc(dpiX);
    TLoMetric lm(&mc.canvas);
    TKitGridPrinter counter(*this, &mc.canvas, 2, SelectedOnly, -1);
    total = counter.Run();
    FUseCacheRowHeights = true;
    if (counter.NoRoom()) {
      ExportNotification(esExportFail, -1);
      throw EKitGridError(kNoRoom);
    }
  }
  FPrintPageFrom = 1;
  FPrintPageTo = total;
  FPrintNrOfPages = total;
  if (OnPrintStart) {
    OnPrintStart(this, total, FPrintPageFrom, FPrintPageTo);
    if (FPrintPageFrom == 0 || FPrintPageTo == 0 || FPrintPageTo < FPrintPageFrom) {
      ExportNotification(esExportDone, -1);
      return;
    }
  }
  if (total <= 0 || FPrintPageFrom > total) {
    // Nothing to print (an empty range): no document is started.
    ExportNotification(esExportDone, -1);
    return;
  }

  const bool begun = !prn->Printing();
  if (begun) prn->BeginDoc();
  try {
    TCanvas* pc = prn->Canvas();
    {
      TLoMetric lm(pc);
      const TColor oldBrush = pc->Brush()->Color();
      pc->Brush()->SetColor(clWhite);
      pc->FillRect(TRect(0, 0, FPrevRect.Right, -FPrevRect.Bottom));
      pc->Brush()->SetColor(oldBrush);
      FPrintNrOfPages = FPrintPageTo;
      TKitGridPrinter printer(*this, pc, 1, SelectedOnly, total);
      printer.Run();
      if (printer.NoRoom()) throw EKitGridError(kNoRoom);
    }
    if (begun) prn->EndDoc();
  } catch (...) {
    if (begun && prn->Printing()) prn->Abort();
    ExportNotification(esExportFail, -1);
    throw;
  }
  ExportNotification(esExportDone, -1);
}

void TKitStringGrid::PreviewRange(TCanvas* Canvas, const TRect& Displayrect, bool SelectedOnly,
                                  const TGridRect& Range) {
  ExportNotification(esExportStart, -1);
  FPrintRect = Range;
  FPrevRect = Displayrect;
  struct TDone {
    TKitStringGrid* g;
    ~TDone() {
      g->ExportNotification(esExportDone, -1);
      g->FIsPrintPreview = false;
    }
  } done{this};
  TLoMetric lm(Canvas, QPoint(Displayrect.Left, Displayrect.Top));
  FUseCacheRowHeights = false;
  int total = 1;
  if (!FFastPrint) {
    TKitGridPrinter counter(*this, Canvas, 3, SelectedOnly, -1);
    total = counter.Run();
    FPrintNrOfPages = total;
    FUseCacheRowHeights = true;
  }
  FIsPrintPreview = true;
  int from = 1, to = total;
  if (OnPrintStart) OnPrintStart(this, total, from, to);
  if (from > 0 && to > 0 && to >= from) {
    FPrevRect = Displayrect;
    TKitGridPrinter printer(*this, Canvas, 0, SelectedOnly, total);
    printer.Run();
  }
}

void TKitStringGrid::PrintDrawRect(TCanvas* Canvas, const TRect& DrawRect, const TGridRect& Gridrect) {
  FPrintRect = Gridrect;
  FPrevRect = DrawRect;
  FPrintPageFrom = FPrintPageTo = 1;
  FPrintNrOfPages = 1;
  FUseCacheRowHeights = false;
  TLoMetric lm(Canvas, QPoint(DrawRect.Left, DrawRect.Top));
  TKitGridPrinter printer(*this, Canvas, 1, false, 1);
  printer.Run();
}

// ---------------------------------------------------------------------------
// The engine: set-up and layout

TKitGridPrinter::TKitGridPrinter(TKitStringGrid& Grid, TCanvas* Canvas, int Mode, bool SelectedOnly, int PageTotal)
    : G(Grid), PS(*Grid.PrintSettings()), C(Canvas), FMode(Mode), FSelOnly(SelectedOnly), FPageTotal(PageTotal) {
  FCellFont = std::make_unique<TFont>();
  FCellBrush = std::make_unique<TBrush>();
  FSavedPen = std::make_unique<TPen>();
}

TKitGridPrinter::~TKitGridPrinter() { G.FFontscalefactor = 1; }

TPoint* TKitGridPrinter::Measured(int Col, int Row) {
  const TGridRect& R = G.FPrintRect;
  if (Row < R.Top || Row > R.Bottom || Col < R.Left || Col > R.Right) return nullptr;
  const size_t i = size_t(Row - R.Top) * size_t(R.Right - R.Left + 1) + size_t(Col - R.Left);
  return i < FMeasured.size() ? &FMeasured[i] : nullptr;
}

bool TKitGridPrinter::RowPrinted(int Row) {
  if (!FSelOnly) return true;
  if (PS.FixedCellsAlways() && Row < G.FixedRows()) return true;
  if (G.MouseActions()->DisjunctRowSelect()) return G.RowSelect(Row);
  const TGridRect sel = G.Selection();
  return Row >= sel.Top && Row <= sel.Bottom;
}

bool TKitGridPrinter::ColPrinted(int Col) {
  if (!FSelOnly) return true;
  if (G.MouseActions()->DisjunctRowSelect()) return true;
  if (PS.FixedCellsAlways() && Col < G.FixedCols()) return true;
  if (G.MouseActions()->DisjunctColSelect()) return G.ColSelect(Col);
  const TGridRect sel = G.Selection();
  return Col >= sel.Left && Col <= sel.Right;
}

int TKitGridPrinter::TextH(const QString& t) { return C->TextHeight(t); }

void TKitGridPrinter::SetPrintFont(TFont* Font, double Scale) {
  const double saved = G.FFontscalefactor;
  G.FFontscalefactor = Scale;
  const int h = G.MapFontHeight(Font->Size());
  G.FFontscalefactor = saved;
  TFont* cf = C->Font();
  if (!cf->SameAs(*Font) || cf->Height() != h) {
    cf->Assign(Font);
    cf->SetHeight(h);
  }
  cf->SetColor(Font->Color());
}

void TKitGridPrinter::ColumnWidths() {
  const int all = G.AllColCount();
  MaxWidths.assign(size_t(all) + 2, 0);
  Indents.assign(size_t(all) + 2, 0);
  const TGridRect& R = G.FPrintRect;
  if (PS.NoAutoSize()) {
    for (int c = R.Left; c <= R.Right; ++c) {
      if (!ColPrinted(c)) continue;
      const int sw = G.ColWidths(c);
      MaxWidths[size_t(c)] = sw < 1 ? 0 : RoundI((sw + 4) * pixel);
    }
    return;
  }
  auto measureRow = [&](int row) {
    if (!RowPrinted(row)) return;
    for (int c = R.Left; c <= R.Right; ++c) {
      if (!ColPrinted(c)) continue;
      int w;
      if (PS.UseFixedWidth()) {
        w = PS.FixedWidth();
      } else {
        const int rc = G.DisplToRealCol(c);
        const TPoint base = G.BaseCell(rc, row);
        if (base.X != rc || G.CellExt(rc, row).X > 0) continue;  // merged across columns
        const TPoint sz = MeasurePrintCell(c, row);
        if (TPoint* slot = Measured(c, row)) *slot = sz;
        w = sz.X;
      }
      MaxWidths[size_t(c)] = std::max(MaxWidths[size_t(c)], w);
    }
  };
  FMeasured.assign(size_t(R.Bottom - R.Top + 1) * size_t(R.Right - R.Left + 1), TPoint(-1, -1));
  if (PS.RepeatFixedRows())
    for (int row = 0; row < std::min(G.FixedRows(), R.Top); ++row) measureRow(row);
  for (int row = R.Top; row <= R.Bottom; ++row) measureRow(row);
}

void TKitGridPrinter::Fit() {
  const TGridRect& R = G.FPrintRect;
  m = 1;
  if (PS.FitToPage() == fpNever) return;
  const int u = (R.Right - R.Left + 1) * s;
  long long total = 0;
  for (int c = R.Left; c <= R.Right; ++c)
    if (ColPrinted(c)) total += MaxWidths[size_t(c)] + s;
  if (total == u) return;
  m = double(W - PS.RightSize() - PS.LeftSize() - u) / double(total - u);
  if (PS.FitToPage() == fpShrink && m > 1) m = 1;
  if (PS.FitToPage() == fpGrow && m < 1) m = 1;
  if (PS.FitToPage() == fpCustom && m != 1 && G.OnFitToPage) {
    bool allow = true;
    G.OnFitToPage(&G, m, allow);
    if (!allow) m = 1;
  }
  if (m <= 0) {
    // The margins and spacing alone fill the page.
    FNoRoom = true;
    m = 1;
    return;
  }
  if (m != 1) {
    for (int c = R.Left; c <= R.Right; ++c) MaxWidths[size_t(c)] = int(std::trunc(MaxWidths[size_t(c)] * m));
    hdrH = RoundI(hdrH * m);
  }
}

void TKitGridPrinter::Areas(bool FirstOfRun) {
  (void)FirstOfRun;
  using P = TPrintPosition;
  auto top = [](P v) { return v == P::ppTopLeft || v == P::ppTopRight || v == P::ppTopCenter; };
  auto bottom = [](P v) { return v == P::ppBottomLeft || v == P::ppBottomRight || v == P::ppBottomCenter; };
  hdrSz = PS.ScaleHeader() ? RoundI(PS.HeaderSize() * m) : PS.HeaderSize();
  ftrSz = PS.ScaleFooter() ? RoundI(PS.FooterSize() * m) : PS.FooterSize();
  const int lines = PS.TitleLines()->Count();
  const bool titleLines = PS.TitleText().isEmpty() && lines > 0;
  if (top(PS.Time()) || top(PS.Date()) || top(PS.PageNr()) || top(PS.Title())) {
    q = gap + hdrH + hdrSz;
    if (titleLines && top(PS.Title())) {
      if (htmlTitleH > 0) q += htmlTitleH + hdrSz;
      else q += (lines - 1) * hdrH;
    }
  } else {
    q = hdrSz;
  }
  if (bottom(PS.Time()) || bottom(PS.Date()) || bottom(PS.PageNr()) || bottom(PS.Title())) {
    f = 2 * (gap + ftrH) + ftrSz;
    if (titleLines && bottom(PS.Title())) f += (lines - 1) * ftrH;
  } else {
    f = gap + ftrH + ftrSz;
  }
}

void TKitGridPrinter::BandEdges(int Start, int End, bool Repeat, int FixedW) {
  const int base = PS.Centered() ? 0 : PS.LeftSize();
  std::vector<int> rel(size_t(End - Start) + 2, 0);
  for (int c = Start; c <= End; ++c)
    rel[size_t(c - Start) + 1] = rel[size_t(c - Start)] + (ColPrinted(c) ? MaxWidths[size_t(c)] + s : 0);
  const int used = FixedW + rel.back();
  G.FPrintPageWidth = used;
  const int d = PS.Centered() && used < W ? (W - used) / 2 : 0;
  if (Repeat) {
    int x = 0;
    Indents[0] = base + d;
    for (int c = 0; c < G.FixedCols(); ++c) {
      x += ColPrinted(c) ? MaxWidths[size_t(c)] + s : 0;
      Indents[size_t(c) + 1] = base + d + x;
    }
  } else {
    Indents[0] = base + d;
  }
  for (int c = Start; c <= End + 1; ++c) Indents[size_t(c)] = base + d + FixedW + rel[size_t(c - Start)];
}

void TKitGridPrinter::FrameLines(int y, int Start, int End, bool Repeat) {
  if (!Drawing() || !PageInRange(p)) return;
  const TPrintBorders b = PS.Borders();
  const int top = q + RoundI(PS.TitleSpacing() * m);
  const int bottom = y - gap / 2;
  const int left = Repeat ? Indents[0] : Indents[size_t(Start)];
  const int right = Indents[size_t(End) + 1];
  TCanvas* cv = C;
  if (b == TPrintBorders::pbAround || b == TPrintBorders::pbAroundVertical || b == TPrintBorders::pbAroundHorizontal) {
    cv->MoveTo(left, Ly(top));
    cv->LineTo(right, Ly(top));
    cv->LineTo(right, Ly(bottom));
    cv->LineTo(left, Ly(bottom));
    cv->LineTo(left, Ly(top));
  }
  if (b == TPrintBorders::pbDouble || b == TPrintBorders::pbHorizontal || b == TPrintBorders::pbAroundHorizontal) {
    cv->MoveTo(left, Ly(bottom));
    cv->LineTo(right, Ly(bottom));
  }
  if ((b == TPrintBorders::pbDouble || b == TPrintBorders::pbVertical || b == TPrintBorders::pbAroundVertical) &&
      Repeat) {
    for (int c = 0; c < G.FixedCols(); ++c) {
      cv->MoveTo(Indents[size_t(c)], Ly(top));
      cv->LineTo(Indents[size_t(c)], Ly(bottom));
    }
  }
}

void TKitGridPrinter::StartNextPage() {
  if (PageInRange(p + 1)) {
    if (FMode == 1 && PageInRange(p)) {
      TPrinter* prn = Printer();
      if (prn->Printing() && GetDCPrinter(C->Handle())) {
        prn->NewPage();
        SetMapMode(C->Handle(), MM_LOMETRIC);
      }
    }
    if (Drawing() && G.OnPrintPage) G.OnPrintPage(&G, C, p + 2, W, Hp);
  }
}

int TKitGridPrinter::RowPrintHeight(int Row) {
  if (G.FUseCacheRowHeights && Row >= 0 && size_t(Row) < G.FCacheRowHeights.size() &&
      G.FCacheRowHeights[size_t(Row)] >= 0)
    return G.FCacheRowHeights[size_t(Row)];
  if (Row == lastRowAsked) return lastRowHeight;
  if (PS.NoAutoSizeRow()) return RoundI(G.RowHeights(Row) * pixel) + 4;
  int h;
  if (PS.UseFixedHeight()) {
    h = PS.FixedHeight();
  } else {
    const double saved = G.FFontscalefactor;
    G.FFontscalefactor = m;
    int hmax = 0, last = 0;
    const TGridRect& R = G.FPrintRect;
    for (int c = R.Left; c <= R.Right; ++c) {
      if (!ColPrinted(c)) continue;
      const int rc = G.DisplToRealCol(c);
      const TPoint base = G.BaseCell(rc, Row);
      if (base.Y != Row || G.CellExt(rc, Row).Y > 0) continue;  // merged across rows
      const TPoint* known = m == 1 ? Measured(c, Row) : nullptr;
      last = known && known->X >= 0 ? known->Y : MeasurePrintCell(c, Row).Y;
      hmax = std::max(hmax, last);
    }
    G.FFontscalefactor = saved;
    if (hmax == 0) hmax = last;
    h = hmax + hmax / 8;
    if (G.OnPrintSetRowHeight) G.OnPrintSetRowHeight(&G, Row, h);
  }
  lastRowAsked = Row;
  lastRowHeight = h;
  if (Row >= 0) {
    if (G.FCacheRowHeights.size() <= size_t(Row)) G.FCacheRowHeights.resize(size_t(Row) + 1, -1);
    G.FCacheRowHeights[size_t(Row)] = h;
  }
  return h;
}

int TKitGridPrinter::Run() {
  const TGridRect R = G.FPrintRect;
  const HDC h = C->Handle();
  // 1. Pen.
  FSavedPen->Assign(C->Pen());
  C->Pen()->SetColor(clBlack);
  C->Pen()->SetStyle(PS.BorderStyle());
  C->Pen()->SetWidth(PS.Borders() == TPrintBorders::pbDouble ? 10 : 2);
  // 2. Resolution ratio.
  dpi = std::max(1, GetDeviceCaps(h, LOGPIXELSX));
  const int screenDpi = std::max(1, int(std::lround(96 * G.GetDPIScale())));
  r = double(dpi) / screenDpi;
  pixel = 254.0 / screenDpi;
  // 3. Fonts and the gap, all measured on the target in the print font.
  G.FFontscalefactor = 1;
  SetPrintFont(PS.HeaderFont(), 1);
  hdrH = TextH(QStringLiteral("gh"));
  SetPrintFont(PS.FooterFont(), 1);
  ftrH = TextH(QStringLiteral("gh"));
  SetPrintFont(PS.Font(), 1);
  gap = TextH(QStringLiteral("gh")) / 8;
  halfG = C->TextWidth(QStringLiteral("g")) / 2;
  // 4. Page size.
  if (FMode == 0 || FMode == 3) {
    // The display rectangle's size in logical units.
    POINT pts[2] = {{0, 0}, {G.FPrevRect.Right - G.FPrevRect.Left, G.FPrevRect.Bottom - G.FPrevRect.Top}};
    POINT vp{};
    GetViewportOrgEx(h, &vp);
    for (auto& pt : pts) pt.x += vp.x, pt.y += vp.y;
    DPtoLP(h, pts, 2);
    W = std::abs(pts[1].x - pts[0].x);
    Hp = std::abs(pts[1].y - pts[0].y);
    // An inverted display rectangle is no page at all.
    if (G.FPrevRect.Right < G.FPrevRect.Left || G.FPrevRect.Bottom < G.FPrevRect.Top) W = Hp = 0;
  } else if (FMode == 2) {
    W = G.FPrevRect.Right;
    Hp = G.FPrevRect.Bottom;
  } else if (GetDCPrinter(h)) {
    // The printer's printable page, as PrintRange measured it.
    W = G.FPrevRect.Right;
    Hp = G.FPrevRect.Bottom;
  } else {
    RECT clip{};
    GetClipBox(h, &clip);
    // The page runs from the origin right and down (y up: to -height).
    W = std::max(0, int(clip.right));
    Hp = std::max(0, std::max(int(-clip.top), int(-clip.bottom)));
  }
  G.FPrintPageRect = TRect(0, 0, W, Hp);
  const int all = G.AllColCount();
  if (R.Right >= all || R.Bottom >= G.RowCount() || R.Left < 0 || R.Top < 0 || R.Right < R.Left || R.Bottom < R.Top) {
    // An empty or impossible range has no pages.
    MaxWidths.assign(size_t(std::max(all, 0)) + 2, 0);
    Indents = MaxWidths;
    G.FPrintColWidths = MaxWidths;
    G.FPrintColOffsets = Indents;
    G.FPrintBandCount = 0;
    C->Pen()->Assign(FSavedPen.get());
    if (G.OnPrintDone) G.OnPrintDone(&G);
    return 0;
  }
  // 5. Column spacing; 6. widths; 7. fit; 8. column width event.
  s = PS.UseFixedWidth() || PS.NoAutoSize() ? 0 : PS.ColumnSpacing() + 20;
  ColumnWidths();
  Fit();
  if (G.OnPrintSetColumnWidth)
    for (int c = R.Left; c <= R.Right; ++c) G.OnPrintSetColumnWidth(&G, c, MaxWidths[size_t(c)]);
  const TGridExportState es =
      R.Top > G.FixedRows() || R.Bottom < G.RowCount() - G.FixedFooters() - 1 ? esExportSelRow : esExportNewRow;

  // A mini-HTML title takes its measured height.
  if (PS.TitleText().isEmpty() && PS.TitleLines()->Count() > 0 && PS.Title() != TPrintPosition::ppNone) {
    const QString t = PS.TitleLines()->Text();
    if (GetCellTextKind(t, true) == 1 /* mini-HTML */) {
      SetPrintFont(PS.HeaderFont(), m);
      htmlTitleH = RoundI(MeasureMiniHtml(C, t, TRect(0, 0, std::max(1, W - PS.RightSize() - 20), 1000)).cy);
      SetPrintFont(PS.Font(), 1);
    }
  }
  Areas(true);
  if (W - PS.LeftSize() - PS.RightSize() <= 0 || Hp - q - f <= 0) FNoRoom = true;
  if (FNoRoom) {
    G.FPrintColWidths = MaxWidths;
    G.FPrintColOffsets = Indents;
    G.FPrintBandCount = 0;
    C->Pen()->Assign(FSavedPen.get());
    if (G.OnPrintDone) G.OnPrintDone(&G);
    return 0;
  }

  // Bands, decided up front so that page numbers know whether there are several.
  const int fixedCols = G.FixedCols();
  const int limit = W - PS.RightSize() - (PS.Centered() ? 0 : PS.LeftSize());
  std::vector<std::pair<int, int>> bands;
  for (int start = R.Left; start <= R.Right;) {
    const bool repeat =
        fixedCols > 0 && PS.RepeatFixedCols() && (start > R.Left || start >= fixedCols) && start >= fixedCols;
    int fixedW = 0;
    if (repeat)
      for (int c = 0; c < fixedCols; ++c) fixedW += ColPrinted(c) ? MaxWidths[size_t(c)] + s : 0;
    int used = fixedW, end = start;
    for (int c = start; c <= R.Right; ++c) {
      const int add = ColPrinted(c) ? MaxWidths[size_t(c)] + s : 0;
      if (c > start && used + add > limit) break;
      used += add;
      end = c;
    }
    bands.emplace_back(start, end);
    start = end + 1;
  }
  multiBand = bands.size() > 1;
  G.FPrintBandCount = int(bands.size());

  p = 0;
  bool cancelled = false;
  for (size_t bi = 0; bi < bands.size() && !cancelled; ++bi) {
    const auto [start, end] = bands[bi];
    bandStart = start;
    bandEnd = end;
    bandNr = int(bi);
    pageInBand = 0;
    repeatCols = fixedCols > 0 && PS.RepeatFixedCols() && start >= fixedCols;
    int fixedW = 0;
    if (repeatCols)
      for (int c = 0; c < fixedCols; ++c) fixedW += ColPrinted(c) ? MaxWidths[size_t(c)] + s : 0;
    BandEdges(start, end, repeatCols, fixedW);
    G.FPrintColStart = start;
    G.FPrintColEnd = end;
    Areas(false);
    if (Drawing() && G.OnPrintPage) G.OnPrintPage(&G, C, p + 1, W, Hp);

    bool firstOfPage = true, justEnded = false;
    int y = 0;
    for (int row = R.Top; row <= R.Bottom; ++row) {
      G.ExportNotification(es, row);
      if (firstOfPage) {
        int hq = q, hf = f;
        if (G.OnPrintPageTopBottomSize) G.OnPrintPageTopBottomSize(&G, C, p + 1, hq, hf);
        q = hq;
        f = hf;
        y = q;
        PrintHeaderFooter();
        y += RoundI(PS.TitleSpacing() * m);
        // The fixed rows head every page that does not begin with them.
        if (PS.RepeatFixedRows() && G.FixedRows() > 0 && row >= G.FixedRows()) {
          for (int fr = 0; fr < G.FixedRows(); ++fr) {
            if (repeatCols) PrintCellRect(y, 0, fixedCols - 1, fr);
            y += PrintCellRect(y, start, end, fr);
          }
        }
        firstOfPage = false;
      }
      justEnded = false;
      if (RowPrinted(row)) {
        if (repeatCols) PrintCellRect(y, 0, fixedCols - 1, row);
        y += PrintCellRect(y, start, end, row);
      }
      const bool exhausted = row == R.Bottom;
      // The next row's whole step must fit above the footer.
      const int next = row + 1 < G.RowCount() ? 2 * gap + RowPrintHeight(row + 1) + RoundI(PS.RowSpacing() * 1.0) : 0;
      bool newPage = false;
      if (G.OnPrintNewPage) G.OnPrintNewPage(&G, row + 1, newPage);
      const bool full = y + next > Hp - f;
      if (exhausted || full || newPage) {
        if (Drawing() && G.OnPrintPageDone) G.OnPrintPageDone(&G, C, row + 1, y, p + 1, W, Hp);
        bool cancel = false;
        if (G.OnPrintCancel) G.OnPrintCancel(&G, p + 1, cancel);
        if (cancel) cancelled = true;
      }
      if (!exhausted && (full || newPage)) {
        FrameLines(y, start, end, repeatCols);
        justEnded = true;
        if (cancelled) break;
        StartNextPage();
        ++p;
        ++pageInBand;
        Areas(false);
        firstOfPage = true;
        // Without a count, stop laying out a band once its pages pass the
        // last one asked for.
        if (G.FFastPrint && p + 1 > G.FPrintPageTo) break;
      }
    }
    if (!justEnded) FrameLines(y, start, end, repeatCols);
    if (cancelled) {
      ++p;
      break;
    }
    if (bi + 1 < bands.size() && !justEnded) StartNextPage();
    if (!justEnded) ++p;
  }
  G.FPrintColWidths = MaxWidths;
  G.FPrintColOffsets = Indents;
  C->Pen()->Assign(FSavedPen.get());
  G.FFontscalefactor = 1;
  if (G.OnPrintDone) G.OnPrintDone(&G);
  return p;
}
