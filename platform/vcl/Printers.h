#pragma once
// The printer object: documents printed page by page through a canvas whose
// DC is a printer DC (platform/win32/Printing.h) over a QPrinter.
//
// Rules:
// - Printer() is the process's printer, made on first use; SetPrinter puts
//   another one in its place and hands back the previous one (the caller owns
//   it then). The QPrinter (QtPrinter) chooses the queue, the paper and, for
//   tests and "print to file", a PDF output file.
// - BeginDoc starts a document and its first page; NewPage ends the page and
//   starts the next; EndDoc ends the page and the document; Abort drops the
//   document. BeginDoc while printing raises EPrinter "Printing in
//   progress"; NewPage and EndDoc while not printing raise EPrinter "Printer
//   is not currently printing"; a printer that cannot start raises EPrinter
//   "Printer selected is not valid".
// - Orientation, Title and the page size are the QPrinter's; changing the
//   orientation while printing raises EPrinter "Printing in progress".
//   PageWidth and PageHeight are the printable area in the canvas's pixels.
//
// Not covered: the framework's list of printers and its printer index (the
// QPrinter's own printer name selects the queue), copies and collation.

#include <QString>
#include <memory>

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TypInfo.h"
#include "platform/win32/WinTypes.h"

class QPrinter;
class TCanvas;

enum TPrinterOrientation { poPortrait, poLandscape };
TF_ENUM_NAMES(TPrinterOrientation, poPortrait, poLandscape)

TF_DECLARE_EXCEPTION(EPrinter, Exception)

class TPrinter : public TObject {
 public:
  TPrinter();
  ~TPrinter() override;
  TPrinter(const TPrinter&) = delete;
  TPrinter& operator=(const TPrinter&) = delete;

  void BeginDoc();
  void EndDoc();
  void NewPage();
  void Abort();
  bool Printing() const { return FPrinting; }
  bool Aborted() const { return FAborted; }
  // Pages of the running document so far, the current one included.
  int PageNumber() const { return FPageNumber; }

  TCanvas* Canvas();
  HDC Handle();

  TPrinterOrientation Orientation() const;
  void SetOrientation(TPrinterOrientation Value);
  const QString& Title() const { return FTitle; }
  void SetTitle(const QString& Value) { FTitle = Value; }
  int PageWidth();
  int PageHeight();

  QPrinter* QtPrinter() const { return FPrinter.get(); }

 private:
  std::unique_ptr<QPrinter> FPrinter;
  std::unique_ptr<TCanvas> FCanvas;
  HDC FDC = nullptr;
  QString FTitle;
  bool FPrinting = false;
  bool FAborted = false;
  int FPageNumber = 0;
};

TPrinter* Printer();
TPrinter* SetPrinter(TPrinter* NewPrinter);
