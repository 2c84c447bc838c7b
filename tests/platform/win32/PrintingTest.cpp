// Printer device contexts over a QPrinter writing PDF: the page's device
// capabilities, the document and page order, text kept as text over the
// page's pixels, and the pages that reach the file.

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <string>

#include "platform/win32/Gdi.h"
#include "platform/win32/Printing.h"

namespace {

struct PdfPrinter {
  PdfPrinter() : printer(QPrinter::HighResolution) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("out.pdf"));
    printer.setPageSize(QPageSize(QPageSize::A4));
    dc = CreatePrinterDC(&printer);
  }
  ~PdfPrinter() { DeleteDC(dc); }
  int PagesInFile() const {
    QFile f(printer.outputFileName());
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray pdf = f.readAll();
    if (!pdf.startsWith("%PDF")) return -1;
    return int(QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
  }
  QTemporaryDir dir;
  QPrinter printer;
  HDC dc = nullptr;
};

int DarkPixels(const QImage& img, const QRect& area) {
  int n = 0;
  const QRect a = area & img.rect();
  for (int y = a.top(); y <= a.bottom(); ++y)
    for (int x = a.left(); x <= a.right(); ++x) n += qGray(img.pixel(x, y)) < 128 ? 1 : 0;
  return n;
}

TEST(PrinterDC, AnswersThePrintersPageAtItsResolution) {
  EXPECT_EQ(CreatePrinterDC(nullptr), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  PdfPrinter p;
  ASSERT_NE(p.dc, nullptr);
  EXPECT_EQ(GetDCPrinter(p.dc), &p.printer);
  EXPECT_EQ(GetDeviceCaps(p.dc, TECHNOLOGY), DT_RASPRINTER);
  EXPECT_EQ(GetDeviceCaps(p.dc, LOGPIXELSX), 300);
  EXPECT_EQ(GetDeviceCaps(p.dc, LOGPIXELSY), 300);
  EXPECT_NEAR(GetDeviceCaps(p.dc, PHYSICALWIDTH), 2480, 1);   // 210 mm at 300 dpi
  EXPECT_NEAR(GetDeviceCaps(p.dc, PHYSICALHEIGHT), 3508, 1);  // 297 mm
  const int offX = GetDeviceCaps(p.dc, PHYSICALOFFSETX);
  EXPECT_GE(offX, 0);
  EXPECT_EQ(GetDeviceCaps(p.dc, HORZRES) + 2 * offX, GetDeviceCaps(p.dc, PHYSICALWIDTH));
  EXPECT_NEAR(GetDeviceCaps(p.dc, HORZSIZE), 210 - 2 * offX * 25.4 / 300, 1);
  // A DC over an image is no printer.
  QImage img(4, 4, QImage::Format_ARGB32_Premultiplied);
  HDC imageDc = CreateImageDC(&img, 96);
  EXPECT_EQ(GetDCPrinter(imageDc), nullptr);
  EXPECT_EQ(StartPage(imageDc), SP_ERROR);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  DeleteDC(imageDc);
  // The page follows the printer's orientation from the next document on.
  p.printer.setPageOrientation(QPageLayout::Landscape);
  EXPECT_GT(GetDeviceCaps(p.dc, HORZRES), GetDeviceCaps(p.dc, VERTRES));
  DOCINFOW di{int(sizeof(DOCINFOW)), u"landscape", nullptr, nullptr, 0};
  ASSERT_GT(StartDocW(p.dc, &di), 0);
  ASSERT_EQ(StartPage(p.dc), 1);
  EXPECT_GT(GetDCImage(p.dc)->width(), GetDCImage(p.dc)->height());
  EXPECT_EQ(EndDoc(p.dc), 1);
  EXPECT_EQ(p.printer.docName(), "landscape");
}

TEST(PrinterDC, CallsOutOfOrderFailAndDrawNothing) {
  struct Step {
    const char* Name;
    int (*Call)(HDC);
  };
  PdfPrinter p;
  // Before a document: no page can start or end, no document end.
  for (const Step& s :
       {Step{"StartPage", StartPage}, Step{"EndPage", EndPage}, Step{"EndDoc", EndDoc}, Step{"AbortDoc", AbortDoc}}) {
    SetLastError(0);
    EXPECT_EQ(s.Call(p.dc), SP_ERROR) << s.Name;
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << s.Name;
  }
  const int job = StartDocW(p.dc, nullptr);
  EXPECT_GT(job, 0);
  EXPECT_EQ(StartDocW(p.dc, nullptr), SP_ERROR);  // one document at a time
  EXPECT_EQ(EndPage(p.dc), SP_ERROR);             // no page started
  EXPECT_EQ(StartPage(p.dc), 1);
  EXPECT_EQ(StartPage(p.dc), SP_ERROR);  // the page is open
  EXPECT_EQ(EndPage(p.dc), 1);
  EXPECT_EQ(EndDoc(p.dc), 1);
  EXPECT_EQ(GetPrinterDCPageCount(p.dc), 1);
  EXPECT_EQ(p.PagesInFile(), 1);
  // The next document gets its own job number.
  EXPECT_GT(StartDocW(p.dc, nullptr), job);
  EXPECT_EQ(AbortDoc(p.dc), 1);
}

TEST(PrinterDC, TextStaysTextAndOtherDrawingIsPixelsOnEachPage) {
  PdfPrinter p;
  ASSERT_GT(StartDocW(p.dc, nullptr), 0);
  for (int page = 0; page < 3; ++page) {
    ASSERT_EQ(StartPage(p.dc), 1);
    QImage* img = GetDCImage(p.dc);
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(DarkPixels(*img, img->rect()), 0) << "each page starts white";
    HFONT f = CreateFontW(-80, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, u"Liberation Sans");
    HGDIOBJ old = SelectObject(p.dc, f);
    SetBkMode(p.dc, TRANSPARENT);
    const std::u16string word = u"Printed";
    TextOutW(p.dc, 100, 100, reinterpret_cast<LPCWSTR>(word.c_str()), int(word.size()));
    EXPECT_EQ(DarkPixels(*img, QRect(100, 100, 400, 100)), 0) << "text is not rastered";
    RECT r{100, 400, 300, 500};
    FillRect(p.dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(DarkPixels(*img, QRect(100, 400, 200, 100)), 200 * 100);
    // An opaque text background is pixels like any fill.
    SetBkMode(p.dc, OPAQUE);
    SetBkColor(p.dc, RGB(0, 0, 0));
    TextOutW(p.dc, 100, 700, reinterpret_cast<LPCWSTR>(word.c_str()), int(word.size()));
    EXPECT_GT(DarkPixels(*img, QRect(100, 700, 400, 100)), 1000);
    SelectObject(p.dc, old);
    DeleteObject(f);
    ASSERT_EQ(EndPage(p.dc), 1);
  }
  ASSERT_EQ(EndDoc(p.dc), 1);
  EXPECT_EQ(GetPrinterDCPageCount(p.dc), 3);
  EXPECT_EQ(p.PagesInFile(), 3);
}

TEST(PrinterDC, EndDocEndsAnOpenPageAndDeletingARunningDocumentAbortsIt) {
  {
    PdfPrinter p;
    ASSERT_GT(StartDocW(p.dc, nullptr), 0);
    ASSERT_EQ(StartPage(p.dc), 1);
    EXPECT_EQ(EndDoc(p.dc), 1);
    EXPECT_EQ(p.PagesInFile(), 1);
  }
  PdfPrinter p;
  ASSERT_GT(StartDocW(p.dc, nullptr), 0);
  ASSERT_EQ(StartPage(p.dc), 1);
  EXPECT_TRUE(DeleteDC(p.dc));
  p.dc = nullptr;
  // The printer is free again: nothing holds it, a new document can start.
  EXPECT_NE(p.printer.printerState(), QPrinter::Active);
  QPainter painter;
  EXPECT_TRUE(painter.begin(&p.printer));
  painter.end();
}

TEST(PrinterDC, OrientationCapabilityIsTheLandscapeConvention) {
  EXPECT_EQ(DeviceCapabilitiesW(nullptr, nullptr, DC_ORIENTATION, nullptr, nullptr), 90);
  EXPECT_EQ(DeviceCapabilitiesW(nullptr, nullptr, 1 /* DC_FIELDS */, nullptr, nullptr), -1);
}

}  // namespace
