// Workbooks against real readers and writers: LibreOffice (headless, its own
// profile per test, every run bounded in time) converts our files to CSV
// sheet by sheet, and makes workbooks and a legacy .xls for our reader;
// Debian's python3 with openpyxl checks cell types and sheet order, and
// makes workbooks with numbers, dates, booleans, empty cells and the 1904
// date system. The tests skip only when a reader is not installed
// (scripts/install-deps installs both).

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "platform/office/Excel.h"
#include "tests/platform/office/SheetVsCsv.h"
#include "tests/support/OfficeTools.h"
#include "tests/support/TestSupport.h"

using namespace Excel;
using namespace officetest;

namespace {

class OfficeInterop : public officetest::OfficeFixture {
 protected:
  // Each sheet of a workbook as LibreOffice exports it to CSV, by sheet name.
  std::map<QString, QList<QStringList>> SheetsAsCsv(const QString& file) {
    static int n = 0;
    return OfficeFixture::SheetsAsCsv(file, Dir.File(QStringLiteral("csv%1").arg(++n)));
  }

  static QList<QStringList> Texts(const WorksheetPtr& sheet) {
    const QVariant v = sheet->Range(sheet->UsedRange()->Address())->Value();
    QList<QStringList> rows;
    if (!VarIsArray(v)) return {{VarToStr(v)}};
    const TVarArray a = v.value<TVarArray>();
    for (int r = 1; r <= a.RowCount(); ++r) {
      QStringList row;
      for (int c = 1; c <= a.ColCount(); ++c) row << (VarIsError(a.At(r, c)) ? QStringLiteral("#ERR") : VarToStr(a.At(r, c)));
      rows << row;
    }
    return rows;
  }

  static void WriteSheet(const WorksheetPtr& sheet, const QList<QStringList>& rows) {
    TVarArray a(int(rows.size()), int(rows.front().size()));
    for (int r = 0; r < rows.size(); ++r)
      for (int c = 0; c < rows[r].size(); ++c) a.Set(r, c, rows[r][c]);
    sheet->Range(RangeAddress({1, 1, int(rows.size()), int(rows.front().size())}))->SetValue(QVariant::fromValue(a));
  }
};

// Texts that break naive writers and readers.
QList<QStringList> TrickyRows() {
  return {
      {"Name", "Postcode", "Phone", "Note"},
      {"Crêperie Saint-Étienne", "01000", "0123456789", "=1+1"},
      {"\"Quoted\" name", "007", "+33 (0)1 23", "line one\nline two"},
      {"日本語 · 😀", "1e5", "TRUE", "comma, semicolon; tab\there"},
      {QString(32767, u'L'), "-0", "  spaces  ", "'apostrophe"},
      {"", "", "", "last"},
  };
}

// The workbook "Leads" + "Sheet1" that the grid's named-sheet save makes.
QString WriteTricky(const QString& file) {
  ApplicationPtr app = CreateOleObject(QStringLiteral("excel.application"));
  WorkbookPtr book = app->WorkBooks()->Add();
  WorksheetPtr sheet = book->WorkSheets()->Add();
  sheet->SetName(QStringLiteral("Leads"));
  const QList<QStringList> rows = TrickyRows();
  TVarArray a(int(rows.size()), 4);
  for (int r = 0; r < rows.size(); ++r)
    for (int c = 0; c < 4; ++c) a.Set(r, c, rows[r][c]);
  sheet->Range(QStringLiteral("A1:D6"))->SetValue(QVariant::fromValue(a));
  book->SaveAs(file);
  app->Quit();
  return file;
}

}  // namespace

TEST_F(OfficeInterop, LibreOfficeReadsEveryTextBackCellForCell) {
  REQUIRE_LIBREOFFICE();
  const QString file = WriteTricky(Dir.File(QStringLiteral("tricky.xlsx")));
  const auto sheets = SheetsAsCsv(file);
  ASSERT_EQ(sheets.size(), 2u);
  ASSERT_TRUE(sheets.count("Leads"));
  EXPECT_EQ(sheets.at("Leads"), TrickyRows());
  ASSERT_TRUE(sheets.count("Sheet1"));
}

TEST_F(OfficeInterop, OpenpyxlSeesTextCellsAndTheSheetOrder) {
  REQUIRE_OPENPYXL();
  // OOXML whatever the name says; openpyxl goes by the extension, so it gets
  // a copy named .xlsx.
  const QString written = WriteTricky(Dir.File(QStringLiteral("tricky.xls")));
  const QString file = Dir.File(QStringLiteral("tricky-copy.xlsx"));
  ASSERT_TRUE(QFile::copy(written, file));
  const QJsonDocument doc = Python(QString::fromUtf8(R"PY(
import json, sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
cells = []
for ws in wb.worksheets:
    for row in ws.iter_rows():
        for c in row:
            if c.value is not None:
                cells.append([ws.title, c.coordinate, c.data_type, c.value])
print(json.dumps({"names": wb.sheetnames, "active": wb.active.title, "cells": cells}))
)PY"),
                                   {file});
  const QJsonObject o = doc.object();
  EXPECT_EQ(o["names"].toVariant().toStringList(), (QStringList{"Leads", "Sheet1"}));
  EXPECT_EQ(o["active"].toString(), "Leads");
  const QList<QStringList> rows = TrickyRows();
  int expected = 0;
  for (const QStringList& row : rows)
    for (const QString& t : row) expected += t.isEmpty() ? 0 : 1;
  const QJsonArray cells = o["cells"].toArray();
  EXPECT_EQ(cells.size(), expected);
  for (const QJsonValue& v : cells) {
    const QJsonArray c = v.toArray();
    SCOPED_TRACE(c[1].toString().toStdString());
    EXPECT_EQ(c[0].toString(), "Leads");
    EXPECT_EQ(c[2].toString(), "s");
    TCellRect cell;
    ASSERT_TRUE(TryParseRange(c[1].toString(), cell));
    EXPECT_EQ(c[3].toString(), rows[cell.Row1 - 1][cell.Col1 - 1]);
  }
}

TEST_F(OfficeInterop, OurReaderLoadsOpenpyxlWorkbooks) {
  REQUIRE_OPENPYXL();
  const QString file = Dir.File(QStringLiteral("openpyxl.xlsx"));
  const QString file1904 = Dir.File(QStringLiteral("openpyxl1904.xlsx"));
  Python(QString::fromUtf8(R"PY(
import sys, datetime, openpyxl
from openpyxl.utils.datetime import MAC_EPOCH
for name, epoch in ((sys.argv[1], None), (sys.argv[2], MAC_EPOCH)):
    wb = openpyxl.Workbook()
    if epoch is not None:
        wb.epoch = epoch
    ws = wb.active
    ws.title = "Mixed"
    ws.append(["text", 42, 1234.5, -0.25, True, False])
    ws.append([datetime.datetime(2024, 3, 15, 18, 30), datetime.date(2024, 3, 15), datetime.time(6, 0), None, "é ü", 1e20])
    ws["B4"] = "after a gap"
    ws2 = wb.create_sheet("Second")
    ws2["C3"] = "only"
    wb.create_sheet("Empty")
    wb.save(name)
)PY"),
         {file, file1904});
  for (const QString& f : {file, file1904}) {
    SCOPED_TRACE(f.toStdString());
    WorkbookPtr book = NewApplication()->WorkBooks()->Open(f);
    QStringList names;
    for (int i = 1; i <= book->Sheets()->Count(); ++i) names << book->Sheets(i)->Name();
    EXPECT_EQ(names, (QStringList{"Mixed", "Second", "Empty"}));
    EXPECT_EQ(Texts(book->Sheets(1)),
              (QList<QStringList>{{"text", "42", "1234.5", "-0.25", "True", "False"},
                                  {"3/15/2024 6:30:00 PM", "3/15/2024", "6:00:00 AM", "", "é ü", "1E20"},
                                  {"", "", "", "", "", ""},
                                  {"", "after a gap", "", "", "", ""}}));
    EXPECT_EQ(book->Sheets(2)->UsedRange()->Address(), "$C$3");
    EXPECT_EQ(book->Sheets(2)->Rows()->Cells(3, 3)->Value().toString(), "only");
    EXPECT_EQ(book->Sheets(3)->UsedRange()->Address(), "$A$1");
  }
}

TEST_F(OfficeInterop, OurReaderLoadsLibreOfficeWorkbooksAndTheirXlsForm) {
  REQUIRE_LIBREOFFICE();
  REQUIRE_OPENPYXL();
  // Formulas without cached values from openpyxl; LibreOffice calculates
  // them and stores the results when it converts.
  const QString source = Dir.File(QStringLiteral("formulas.xlsx"));
  Python(QString::fromUtf8(R"PY(
import sys, datetime, openpyxl
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "Calc"
ws.append(["Item", "Qty", "Price", "Total"])
ws.append(["Pens", 3, 1.25, "=B2*C2"])
ws.append(["Ink", 2, 7.5, "=B3*C3"])
ws.append(["Sum", "=SUM(B2:B3)", None, "=SUM(D2:D3)"])
ws.append(["Text", '="a"&"b"', None, "=1/0"])
ws.append(["Day", datetime.date(2024, 3, 15), "=B6+1", True])
ws2 = wb.create_sheet("Words")
ws2.append(["Zoë", "Ærø"])
wb.save(sys.argv[1])
)PY"),
         {source});
  const QStringList made = Convert(source, QStringLiteral("xlsx:Calc MS Excel 2007 XML"), Dir.File("lo"));
  ASSERT_EQ(made.size(), 1);
  const QList<QStringList> expected{{"Item", "Qty", "Price", "Total"},
                                    {"Pens", "3", "1.25", "3.75"},
                                    {"Ink", "2", "7.5", "15"},
                                    {"Sum", "5", "", "18.75"},
                                    {"Text", "ab", "", "#ERR"},
                                    {"Day", "3/15/2024", "45367", "True"}};  // C6 has no date format
  WorkbookPtr book = NewApplication()->WorkBooks()->Open(made[0]);
  EXPECT_EQ(Texts(book->Sheets(1)), expected);
  EXPECT_EQ(Texts(book->Sheets(2)), (QList<QStringList>{{"Zoë", "Ærø"}}));

  // The legacy form of the same workbook: the same values, the formulas'
  // results among them, and no save in place.
  const QStringList xls = Convert(made[0], QStringLiteral("xls:MS Excel 97"), Dir.File("xls"));
  ASSERT_EQ(xls.size(), 1);
  QFile xlsFile(xls[0]);
  ASSERT_TRUE(xlsFile.open(QIODevice::ReadOnly));
  const QByteArray before = xlsFile.readAll();
  xlsFile.close();
  ASSERT_TRUE(before.startsWith(QByteArray::fromHex("D0CF11E0")));
  ApplicationPtr app = NewApplication();
  WorkbookPtr legacy = app->WorkBooks()->Open(xls[0]);
  QList<QStringList> legacyExpected = expected;
  // Converting its own .xlsx, LibreOffice stores the text result of
  // ="a"&"b" as the number 0 in the .xls (the test above, whose formulas it
  // calculates on loading, gets the text): the file holds 0. LibreOffice
  // itself shows "ab" because it calculates an .xls when it loads one.
  legacyExpected[4][1] = QStringLiteral("0");
  EXPECT_EQ(Texts(legacy->Sheets(1)), legacyExpected);
  EXPECT_EQ(Texts(legacy->Sheets(2)), (QList<QStringList>{{"Zoë", "Ærø"}}));
  EXPECT_EQ(legacy->Sheets(2)->Name(), "Words");
  legacy->Sheets(1)->Range("A1")->SetValue(QStringLiteral("changed"));
  EXPECT_TRUE(testsupport::MessageOf([&] { legacy->Save(); }).contains(QStringLiteral("cannot be updated")));
  EXPECT_THROW(legacy->SaveAs(Dir.File("converted.xlsx")), EOleException);
  EXPECT_THROW(legacy->Close(true), EOleException);
  ASSERT_TRUE(xlsFile.open(QIODevice::ReadOnly));
  EXPECT_EQ(xlsFile.readAll(), before);  // never overwritten with a one-sheet workbook
}

TEST_F(OfficeInterop, LegacyWorkbooksLibreOfficeWritesReadAsItExportsThem) {
  REQUIRE_LIBREOFFICE();
  REQUIRE_OPENPYXL();
  // The sources of the committed .xls fixtures, made anew: formulas of
  // every result kind (LibreOffice calculates them on loading and stores
  // the results), several sheets with the second one active, dates, times,
  // currency, the 1904 date system, accents, shared strings past one record.
  const QString sources = Dir.File(QStringLiteral("sources"));
  ASSERT_TRUE(QDir().mkpath(sources));
  const TRun made = RunProcess(kPython, {QStringLiteral(TF_XLS_FIXTURES_DIR "/make-xls-sources.py"), sources}, 120000);
  ASSERT_EQ(made.ExitCode, 0) << made.Err.toStdString();
  const struct {
    const char* Name;
    QStringList Sheets;
    QString Active;
  } cases[] = {
      {"values", {"Values", "Second", "Third"}, "Second"},
      {"dates1904", {"Dates"}, "Dates"},
      {"many", {"Many"}, "Many"},
  };
  // One run of LibreOffice for all the workbooks, one for all their CSV.
  QStringList inputs;
  for (const auto& c : cases) inputs << QDir(sources).filePath(QString::fromLatin1(c.Name) + QStringLiteral(".xlsx"));
  const QString xlsDir = Dir.File(QStringLiteral("xls"));
  ASSERT_EQ(Convert(inputs, QStringLiteral("xls:MS Excel 97"), xlsDir).size(), 3);
  QStringList xls;
  for (const auto& c : cases) xls << QDir(xlsDir).filePath(QString::fromLatin1(c.Name) + QStringLiteral(".xls"));
  const QString csvDir = Dir.File(QStringLiteral("csv"));
  Convert(xls, kPerSheetCsv, csvDir);
  for (size_t k = 0; k < std::size(cases); ++k) {
    const auto& c = cases[k];
    SCOPED_TRACE(c.Name);
    WorkbookPtr book = NewApplication()->WorkBooks()->Open(xls[qsizetype(k)]);
    QStringList names;
    for (int i = 1; i <= book->Sheets()->Count(); ++i) names << book->Sheets(i)->Name();
    EXPECT_EQ(names, c.Sheets);
    EXPECT_EQ(book->ActiveSheet()->Name(), c.Active);
    int filled = 0;
    for (int i = 1; i <= book->Sheets()->Count(); ++i) {
      // LibreOffice names each sheet's file <workbook>-<sheet>.csv.
      QFile f(
          QDir(csvDir).filePath(QString::fromLatin1(c.Name) + u'-' + book->Sheets(i)->Name() + QStringLiteral(".csv")));
      ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << f.fileName().toStdString();
      filled += ExpectSheetMatchesCsv(book->Sheets(i), ParseCsv(QString::fromUtf8(f.readAll())));
    }
    EXPECT_GT(filled, 0);
  }
}

TEST_F(OfficeInterop, UpdatingAWorkbookLeavesTheOtherSheetsAlone) {
  REQUIRE_LIBREOFFICE();
  // A three-sheet workbook made by LibreOffice from our own.
  const QString ours = Dir.File(QStringLiteral("three.xlsx"));
  {
    ApplicationPtr app = NewApplication();
    WorkbookPtr book = app->WorkBooks()->Add();
    WriteSheet(book->Sheets(1), {{"one", "a"}, {"1", "b"}});
    WorksheetPtr s2 = book->WorkSheets()->Add();
    s2->SetName("Two");
    WriteSheet(s2, {{"two", "x"}, {"keep", "y"}, {"z", "w"}});
    WorksheetPtr s3 = book->WorkSheets()->Add();
    s3->SetName("Three");
    WriteSheet(s3, {{"three"}, {"é"}});
    book->SaveAs(ours);
  }
  const QStringList made = Convert(ours, QStringLiteral("xlsx:Calc MS Excel 2007 XML"), Dir.File("lo"));
  ASSERT_EQ(made.size(), 1);
  const QString file = made[0];
  const auto before = SheetsAsCsv(file);
  ASSERT_EQ(before.size(), 3u);

  // Overwrite part of "Two", add a sheet, save in place.
  ApplicationPtr app = NewApplication();
  WorkbookPtr book = app->WorkBooks()->Open(file);
  WorksheetPtr two;
  for (int i = 1; i <= book->Sheets()->Count(); ++i)
    if (book->Sheets(i)->Name() == "Two") two = book->Sheets(i);
  ASSERT_NE(two, nullptr);
  WriteSheet(two, {{"TWO", "01"}});
  WorksheetPtr added = book->WorkSheets()->Add();
  added->SetName("Added");
  WriteSheet(added, {{"new", "sheet"}});
  book->Save();
  app->Quit();

  const auto after = SheetsAsCsv(file);
  ASSERT_EQ(after.size(), 4u);
  for (const auto& [name, rows] : before) {
    SCOPED_TRACE(name.toStdString());
    ASSERT_TRUE(after.count(name));
    if (name != "Two") {
      EXPECT_EQ(after.at(name), rows);
    }
  }
  EXPECT_EQ(after.at("Two"), (QList<QStringList>{{"TWO", "01"}, {"keep", "y"}, {"z", "w"}}));
  EXPECT_EQ(after.at("Added"), (QList<QStringList>{{"new", "sheet"}}));
}
