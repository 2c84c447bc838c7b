// Printer device contexts: pages rastered on a QImage with text kept as text,
// handed to a QPrinter page by page.

#include "platform/win32/Printing.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <atomic>
#include <cmath>

#include "platform/rtl/LogCategories.h"
#include "platform/win32/GdiInternal.h"
#include "platform/win32/LogCategories.h"

namespace gdi {

struct PrinterPage {
  QPrinter* printer = nullptr;
  int dpi = 300;
  QImage page;  // the page's pixels (the DC's surface)
  std::vector<TextLayerRun> text;
  std::unique_ptr<QPainter> painter;  // on the printer while a document runs
  bool inDoc = false;
  bool inPage = false;
  int pagesOut = 0;
  int jobId = 0;

  ~PrinterPage() {
    if (painter && painter->isActive()) {
      printer->abort();
      painter->end();
    }
  }

  // The printable area in the page's pixels; the image follows it.
  QSize AreaPixels() const {
    const QRectF r = printer->pageLayout().paintRect(QPageLayout::Inch);
    return QSize(std::max(1, int(std::lround(r.width() * dpi))), std::max(1, int(std::lround(r.height() * dpi))));
  }
  void FollowLayout() {
    const QSize sz = AreaPixels();
    if (page.size() != sz) page = QImage(sz, QImage::Format_RGB32);
  }
  void Emit() {
    if (pagesOut > 0) printer->newPage();
    QPainter& p = *painter;
    p.save();
    const double k = double(printer->resolution()) / dpi;
    p.scale(k, k);
    p.drawImage(QPointF(0, 0), page);
    for (const TextLayerRun& run : text) {
      p.save();
      if (run.clip) p.setClipRegion(*run.clip);
      p.setTransform(run.transform, true);
      p.setFont(run.font);
      p.setPen(run.color);
      if (run.rtl) {
        p.setLayoutDirection(Qt::RightToLeft);
        p.drawText(run.box, Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, run.text);
      } else {
        p.drawText(run.origin, run.text);
      }
      p.restore();
    }
    p.restore();
    text.clear();
    ++pagesOut;
  }
};

bool PrinterDeviceCaps(const DcObject& dc, int index, int& value) {
  const PrinterPage& pp = *dc.printer;
  const QPageLayout layout = pp.printer->pageLayout();
  const QRectF full = layout.fullRect(QPageLayout::Inch);
  const QRectF paint = layout.paintRect(QPageLayout::Inch);
  auto px = [&](double inches) { return int(std::lround(inches * pp.dpi)); };
  switch (index) {
    case TECHNOLOGY: value = DT_RASPRINTER; return true;
    case HORZRES: value = px(paint.width()); return true;
    case VERTRES: value = px(paint.height()); return true;
    case HORZSIZE: value = int(std::lround(paint.width() * 25.4)); return true;
    case VERTSIZE: value = int(std::lround(paint.height() * 25.4)); return true;
    case PHYSICALWIDTH: value = px(full.width()); return true;
    case PHYSICALHEIGHT: value = px(full.height()); return true;
    case PHYSICALOFFSETX: value = px(paint.left()); return true;
    case PHYSICALOFFSETY: value = px(paint.top()); return true;
    default: return false;
  }
}

}  // namespace gdi

using namespace gdi;

namespace {

std::shared_ptr<DcObject> PrinterDc(HDC hdc) {
  auto dc = GetDc(hdc);
  if (dc && !dc->printer) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return dc;
}

int Fail() {
  SetLastError(ERROR_INVALID_PARAMETER);
  return SP_ERROR;
}

std::atomic<int> gNextJob{1};

}  // namespace

HDC CreatePrinterDC(QPrinter* printer, int dpi) {
  if (!printer || dpi <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto pp = std::make_shared<PrinterPage>();
  pp->printer = printer;
  pp->dpi = std::min(dpi, std::max(1, printer->resolution()));
  pp->FollowLayout();
  pp->page.fill(Qt::white);
  const HDC hdc = CreateImageDC(&pp->page, pp->dpi);
  if (!hdc) return nullptr;
  auto dc = GetDc(hdc);
  dc->printer = pp;
  dc->textLayer = &pp->text;
  return hdc;
}

QPrinter* GetDCPrinter(HDC hdc) {
  auto dc = GetDc(hdc);
  return dc && dc->printer ? dc->printer->printer : nullptr;
}

int StartDocW(HDC hdc, const DOCINFOW* lpdi) {
  auto dc = PrinterDc(hdc);
  if (!dc) return SP_ERROR;
  PrinterPage& pp = *dc->printer;
  if (pp.inDoc) return Fail();
  if (lpdi && lpdi->lpszDocName) pp.printer->setDocName(QString::fromUtf16(lpdi->lpszDocName));
  if (lpdi && lpdi->lpszOutput) pp.printer->setOutputFileName(QString::fromUtf16(lpdi->lpszOutput));
  pp.FollowLayout();
  pp.painter = std::make_unique<QPainter>();
  if (!pp.painter->begin(pp.printer)) {
    pp.painter.reset();
    qCWarning(lcGdi) << "StartDoc: the printer does not start" << pp.printer->outputFileName();
    SetLastError(ERROR_CAN_NOT_COMPLETE);
    return SP_ERROR;
  }
  pp.inDoc = true;
  pp.inPage = false;
  pp.pagesOut = 0;
  pp.text.clear();
  pp.jobId = gNextJob++;
  return pp.jobId;
}

int StartPage(HDC hdc) {
  auto dc = PrinterDc(hdc);
  if (!dc) return SP_ERROR;
  PrinterPage& pp = *dc->printer;
  if (!pp.inDoc || pp.inPage) return Fail();
  pp.FollowLayout();
  pp.page.fill(Qt::white);
  pp.text.clear();
  pp.inPage = true;
  return 1;
}

int EndPage(HDC hdc) {
  auto dc = PrinterDc(hdc);
  if (!dc) return SP_ERROR;
  PrinterPage& pp = *dc->printer;
  if (!pp.inDoc || !pp.inPage) return Fail();
  pp.Emit();
  pp.inPage = false;
  return 1;
}

int EndDoc(HDC hdc) {
  auto dc = PrinterDc(hdc);
  if (!dc) return SP_ERROR;
  PrinterPage& pp = *dc->printer;
  if (!pp.inDoc) return Fail();
  if (pp.inPage) {
    pp.Emit();
    pp.inPage = false;
  }
  const bool ok = pp.painter->end();
  pp.painter.reset();
  pp.inDoc = false;
  if (!ok) {
    SetLastError(ERROR_CAN_NOT_COMPLETE);
    return SP_ERROR;
  }
  return 1;
}

int AbortDoc(HDC hdc) {
  auto dc = PrinterDc(hdc);
  if (!dc) return SP_ERROR;
  PrinterPage& pp = *dc->printer;
  if (!pp.inDoc) return Fail();
  pp.printer->abort();
  pp.painter->end();
  pp.painter.reset();
  pp.text.clear();
  pp.inDoc = false;
  pp.inPage = false;
  return 1;
}

int GetPrinterDCPageCount(HDC hdc) {
  auto dc = PrinterDc(hdc);
  return dc ? dc->printer->pagesOut : 0;
}

int DeviceCapabilitiesW(LPCWSTR, LPCWSTR, WORD fwCapability, LPWSTR, const void*) {
  if (fwCapability == DC_ORIENTATION) return 90;
  LogNotCovered(lcGdi(), QStringLiteral("DeviceCapabilitiesW capability %1").arg(fwCapability));
  return -1;
}
