// The printer object: documents and pages through its canvas into a PDF
// file, the framework's errors for calls out of order, orientation and title.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPageSize>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "platform/vcl/Graphics.h"
#include "platform/vcl/Printers.h"
#include "tests/support/TestSupport.h"

namespace {

int PdfPages(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return -1;
  return int(QString::fromLatin1(f.readAll()).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

std::unique_ptr<TPrinter> PdfPrinterTo(const QString& path) {
  auto p = std::make_unique<TPrinter>();
  p->QtPrinter()->setOutputFormat(QPrinter::PdfFormat);
  p->QtPrinter()->setOutputFileName(path);
  p->QtPrinter()->setPageSize(QPageSize(QPageSize::A4));
  return p;
}

TEST(Printers, ADocumentOfPagesReachesTheFile) {
  QTemporaryDir dir;
  const QString pdf = dir.filePath("doc.pdf");
  auto p = PdfPrinterTo(pdf);
  p->SetTitle("Leads");
  EXPECT_FALSE(p->Printing());
  EXPECT_GT(p->PageWidth(), 2000);
  EXPECT_GT(p->PageHeight(), p->PageWidth());
  p->BeginDoc();
  EXPECT_TRUE(p->Printing());
  EXPECT_EQ(p->PageNumber(), 1);
  p->Canvas()->TextOut(100, 100, "First page");
  p->NewPage();
  EXPECT_EQ(p->PageNumber(), 2);
  p->Canvas()->Rectangle(100, 100, 500, 500);
  p->EndDoc();
  EXPECT_FALSE(p->Printing());
  EXPECT_FALSE(p->Aborted());
  EXPECT_EQ(PdfPages(pdf), 2);
  EXPECT_EQ(p->QtPrinter()->docName(), "Leads");
}

TEST(Printers, CallsOutOfOrderRaiseTheFrameworksErrors) {
  QTemporaryDir dir;
  auto p = PdfPrinterTo(dir.filePath("doc.pdf"));
  using testsupport::RaisedMessage;
  EXPECT_EQ(RaisedMessage([&] { p->EndDoc(); }), "Printer is not currently printing");
  EXPECT_EQ(RaisedMessage([&] { p->NewPage(); }), "Printer is not currently printing");
  EXPECT_EQ(RaisedMessage([&] { p->Abort(); }), "Printer is not currently printing");
  p->BeginDoc();
  EXPECT_EQ(RaisedMessage([&] { p->BeginDoc(); }), "Printing in progress");
  EXPECT_EQ(RaisedMessage([&] { p->SetOrientation(poLandscape); }), "Printing in progress");
  EXPECT_EQ(p->Orientation(), poPortrait);
  p->Abort();
  EXPECT_TRUE(p->Aborted());
  EXPECT_FALSE(p->Printing());
  p->SetOrientation(poLandscape);
  EXPECT_EQ(p->Orientation(), poLandscape);
  EXPECT_GT(p->PageWidth(), p->PageHeight());
}

TEST(Printers, APrinterThatCannotStartSaysSo) {
  auto p = PdfPrinterTo(QDir::tempPath() + "/no-such-folder-for-printing/x/doc.pdf");
  EXPECT_EQ(testsupport::RaisedMessage([&] { p->BeginDoc(); }), "Printer selected is not valid");
  EXPECT_FALSE(p->Printing());
}

TEST(Printers, TheProcessPrinterCanBeReplaced) {
  TPrinter* first = Printer();
  EXPECT_EQ(Printer(), first);
  auto* mine = new TPrinter;
  TPrinter* old = SetPrinter(mine);
  EXPECT_EQ(old, first);
  EXPECT_EQ(Printer(), mine);
  delete SetPrinter(old);
  EXPECT_EQ(Printer(), first);
}

}  // namespace
