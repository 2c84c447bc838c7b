// The printer object over QPrinter and a printer DC.

#include "platform/vcl/Printers.h"

#include <QPageLayout>
#include <QPrinter>

#include "platform/vcl/Graphics.h"
#include "platform/win32/Printing.h"

namespace {

const QString kPrinting = QStringLiteral("Printing in progress");
const QString kNotPrinting = QStringLiteral("Printer is not currently printing");
const QString kInvalid = QStringLiteral("Printer selected is not valid");

std::unique_ptr<TPrinter>& ProcessPrinter() {
  static std::unique_ptr<TPrinter> p;
  return p;
}

}  // namespace

TPrinter::TPrinter() : FPrinter(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

TPrinter::~TPrinter() {
  if (FPrinting) Abort();
  FCanvas.reset();
  if (FDC) DeleteDC(FDC);
}

HDC TPrinter::Handle() {
  if (!FDC) {
    FDC = CreatePrinterDC(FPrinter.get());
    if (!FDC) throw EPrinter(kInvalid);
  }
  return FDC;
}

TCanvas* TPrinter::Canvas() {
  if (!FCanvas) {
    FCanvas = std::make_unique<TCanvas>();
    FCanvas->SetHandle(Handle());
  }
  return FCanvas.get();
}

void TPrinter::BeginDoc() {
  if (FPrinting) throw EPrinter(kPrinting);
  Canvas();
  const std::u16string title = FTitle.toStdU16String();
  DOCINFOW di{int(sizeof(DOCINFOW)), title.empty() ? nullptr : reinterpret_cast<LPCWSTR>(title.c_str()), nullptr,
              nullptr, 0};
  if (StartDocW(FDC, &di) <= 0) throw EPrinter(kInvalid);
  FPrinting = true;
  FAborted = false;
  FPageNumber = 1;
  StartPage(FDC);
}

void TPrinter::EndDoc() {
  if (!FPrinting) throw EPrinter(kNotPrinting);
  FPrinting = false;
  FPageNumber = 0;
  if (::EndDoc(FDC) <= 0) throw EPrinter(kInvalid);
}

void TPrinter::NewPage() {
  if (!FPrinting) throw EPrinter(kNotPrinting);
  EndPage(FDC);
  StartPage(FDC);
  ++FPageNumber;
}

void TPrinter::Abort() {
  if (!FPrinting) throw EPrinter(kNotPrinting);
  AbortDoc(FDC);
  FPrinting = false;
  FAborted = true;
  FPageNumber = 0;
}

TPrinterOrientation TPrinter::Orientation() const {
  return FPrinter->pageLayout().orientation() == QPageLayout::Landscape ? poLandscape : poPortrait;
}

void TPrinter::SetOrientation(TPrinterOrientation Value) {
  if (Value == Orientation()) return;
  if (FPrinting) throw EPrinter(kPrinting);
  FPrinter->setPageOrientation(Value == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

int TPrinter::PageWidth() { return GetDeviceCaps(Handle(), HORZRES); }
int TPrinter::PageHeight() { return GetDeviceCaps(Handle(), VERTRES); }

TPrinter* Printer() {
  auto& p = ProcessPrinter();
  if (!p) p = std::make_unique<TPrinter>();
  return p.get();
}

TPrinter* SetPrinter(TPrinter* NewPrinter) {
  auto& p = ProcessPrinter();
  TPrinter* old = p.release();
  p.reset(NewPrinter);
  return old;
}
