#pragma once
// Printer device contexts: a DC that draws the pages of a document for a
// QPrinter (a CUPS queue at run time, a PDF file in tests), with the same
// drawing rules as the DCs over QImage surfaces.
//
// Map of the rules:
// - CreatePrinterDC(printer, dpi) makes a DC over one page of the printer's
//   printable area, rastered at dpi (300 by default; never more than the
//   printer's own resolution). GetDeviceCaps answers that page: LOGPIXELSX/Y
//   are dpi, HORZRES/VERTRES the printable area in those pixels,
//   PHYSICALWIDTH/HEIGHT the sheet, PHYSICALOFFSETX/Y the unprintable margin,
//   TECHNOLOGY DT_RASPRINTER. The page follows the printer's layout
//   (orientation, paper) as it stands at StartDoc and at each StartPage.
// - StartDoc begins the document (its name becomes the printer's document
//   name, an output name prints to that file) and answers a job number > 0,
//   or SP_ERROR when the printer cannot start; StartPage clears the page to
//   white; EndPage hands the page to the printer; EndDoc ends the document,
//   ending a page left open first; AbortDoc drops the document. Calls out of
//   that order fail with ERROR_INVALID_PARAMETER and draw nothing.
// - Everything but text is drawn as pixels by the raster core onto the page.
//   Text runs (TextOut, ExtTextOut, DrawText, DrawTextEx) are kept as text,
//   with their font, colour, position, rotation and clip, and written over
//   the page's pixels when the page ends, so that the printed document holds
//   real, searchable text. Text therefore lies above every pixel of its page,
//   whatever the order in which the two were drawn; an opaque text
//   background is pixels like any other fill.
// - DeleteDC of a printer DC aborts a document still running.
// - DeviceCapabilitiesW answers DC_ORIENTATION with 90 (the landscape
//   convention of CUPS drivers); other capabilities answer -1.
//
// Not covered (logged when asked for): printer escapes (Escape, ExtEscape),
// banding, the printer's resident fonts, DEVMODE changes through ResetDC,
// and the other capabilities of DeviceCapabilitiesW (tf.gdi).

#include "platform/win32/Gdi.h"

class QPrinter;

struct DOCINFOW {
  int cbSize;
  LPCWSTR lpszDocName;
  LPCWSTR lpszOutput;
  LPCWSTR lpszDatatype;
  DWORD fwType;
};

inline constexpr int SP_ERROR = -1;
inline constexpr WORD DC_ORIENTATION = 17;

// A DC over the pages of printer (not owned: it must outlive the DC). Null
// (ERROR_INVALID_PARAMETER) without a printer or with dpi <= 0.
HDC CreatePrinterDC(QPrinter* printer, int dpi = 300);
// The printer a printer DC draws for; null for any other DC.
QPrinter* GetDCPrinter(HDC hdc);

int StartDocW(HDC hdc, const DOCINFOW* lpdi);
int StartPage(HDC hdc);
int EndPage(HDC hdc);
int EndDoc(HDC hdc);
int AbortDoc(HDC hdc);
// Pages handed to the printer in the running (or last) document.
int GetPrinterDCPageCount(HDC hdc);

// pDevMode is accepted and ignored.
int DeviceCapabilitiesW(LPCWSTR pDevice, LPCWSTR pPort, WORD fwCapability, LPWSTR pOutput, const void* pDevMode);
