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
#include "tests/platform/office/XlsBuilder.h"
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

namespace {

// Workbooks built record by record, as the reader tests build them, with
// formulas whose expressions give their stored results (LibreOffice
// calculates them when it loads a legacy workbook: 2, "ab", TRUE, "a"+1,
// 2.5): a BIFF8 workbook with
// every cell record, shared strings split over CONTINUE records at 37 bytes
// with formatting runs and phonetic data, dates, currency and the second
// sheet active; a BIFF5 workbook in code page 1251.
QByteArray HandmadeBiff8() {
  using namespace xlstest;
  auto formula = [](int row, int col, const QByteArray& result, const QByteArray& expression) {
    return Record(0x0006, Cell(row, col, 15) + result + U16(0) + U32(0) + U16(int(expression.size())) + expression);
  };
  auto special = [](int kind, int value) { return U8(kind) + U8(0) + U8(value) + U8(0) + U8(0) + U8(0) + U16(0xFFFF); };
  QString longText;
  for (int i = 0; i < 150; ++i)
    longText += i % 3 == 0 ? QStringLiteral("Ж") : i % 3 == 1 ? QStringLiteral("é") : QStringLiteral("x");
  QByteArray globals = Record(0x041E, U16(164) + Biff8Text(QStringLiteral("dd/mm/yyyy hh:mm"), 2));
  // Fifteen style formats, then the cells' formats from 15 on.
  for (int i = 0; i < 15; ++i) globals += Record(0x00E0, U16(0) + U16(0) + U16(0xFFF5) + QByteArray(14, '\0'));
  for (int format : {0, 14, 22, 164, 21, 7})
    globals += Record(0x00E0, U16(0) + U16(format) + U16(0x0001) + QByteArray(14, '\0'));
  globals += Record(0x003D, U16(0) + U16(0) + U16(9000) + U16(6000) + U16(0x38) + U16(1) + U16(0) + U16(1) + U16(600));
  globals += Sst({QStringLiteral("plain"), QStringLiteral("Crêpe brûlée"), QStringLiteral("日本語 😀"), longText}, 37,
                 false, 2, 5);
  globals += Record(0x00EF, QByteArray(5000, '\x11'));  // past the mini stream's cut-off
  auto number = [](int row, int col, int xf, double v) { return Record(0x0203, Cell(row, col, xf) + F64(v)); };
  auto rk = [](int row, int col, double v) { return Record(0x027E, Cell(row, col, 15) + U32(Rk(v))); };
  const QByteArray kinds =
      Record(0x00FD, Cell(0, 0, 15) + U32(0)) + Record(0x00FD, Cell(0, 1, 15) + U32(1)) +
      Record(0x00FD, Cell(0, 2, 15) + U32(2)) + Record(0x00FD, Cell(0, 3, 15) + U32(3)) + number(1, 0, 15, 1234.5) +
      rk(1, 1, 42) + rk(1, 2, 1.25) + rk(1, 3, 0.5) + number(1, 4, 15, -3) +
      Record(0x00BD, U16(1) + U16(5) + U16(15) + U32(Rk(7)) + U16(15) + U32(Rk(8.5)) + U16(15) + U32(Rk(-9)) + U16(7)) +
      Record(0x0205, Cell(2, 0, 15) + U8(1) + U8(0)) + Record(0x0205, Cell(2, 1, 15) + U8(0) + U8(0)) +
      Record(0x0205, Cell(2, 2, 15) + U8(0x07) + U8(1)) + Record(0x0205, Cell(2, 3, 15) + U8(0x2A) + U8(1)) +
      formula(3, 0, F64(2), U8(0x1E) + U16(2)) + formula(3, 1, special(0, 0), U8(0x17) + U8(2) + U8(0) + "ab") +
      Record(0x0207, Biff8Text(QStringLiteral("ab"), 2)) + formula(3, 2, special(1, 1), U8(0x1D) + U8(1)) +
      formula(3, 3, special(2, 0x0F), U8(0x17) + U8(1) + U8(0) + "a" + U8(0x1E) + U16(1) + U8(0x03)) +
      formula(3, 4, F64(2.5), U8(0x1F) + F64(2.5)) + number(4, 0, 16, 45366) + number(4, 1, 17, 45366.75) +
      number(4, 2, 18, 45366.5) + number(4, 3, 19, 0.25) + number(4, 4, 20, 12.345678) +
      Record(0x0204, Cell(5, 0, 15) + Biff8Text(QStringLiteral("label é"), 2)) +
      Record(0x00D6, Cell(5, 1, 15) + Biff8Text(QStringLiteral("rich Ж"), 2) + U16(1) + U16(0) + U16(0));
  TBookSpec book;
  book.Globals = globals;
  book.Sheets = {{QStringLiteral("Kinds"), 0, kinds, {}},
                 {QStringLiteral("Second"), 0, Record(0x00FD, Cell(2, 2, 15) + U32(1)) + number(3, 3, 15, 7), {}}};
  return CompoundFile(QStringLiteral("Workbook"), Stream(book));
}

QByteArray HandmadeBiff5() {
  using namespace xlstest;
  QByteArray globals = Record(0x0042, U16(1251)) + Record(0x041E, U16(164) + U8(10) + QByteArray("dd/mm/yyyy"));
  for (int i = 0; i < 15; ++i) globals += Record(0x00E0, U16(0) + U16(0) + U16(0xFFF5) + QByteArray(10, '\0'));
  for (int format : {0, 164}) globals += Record(0x00E0, U16(0) + U16(format) + U16(0x0001) + QByteArray(10, '\0'));
  const QByteArray privet("\xCF\xF0\xE8\xE2\xE5\xF2");  // "Привет"
  const QByteArray cells = Record(0x0204, Cell(0, 0, 15) + U16(6) + privet) +
                           Record(0x00D6, Cell(0, 1, 15) + U16(6) + privet + U8(1) + U8(0) + U8(0)) +
                           Record(0x0006, Cell(0, 2, 15) + U8(0) + U8(0) + U8(0) + U8(0) + U8(0) + U8(0) + U16(0xFFFF) +
                                              U16(0) + U32(0) + U16(8) + U8(0x17) + U8(6) + privet) +
                           Record(0x0207, U16(6) + privet) + Record(0x027E, Cell(1, 0, 15) + U32(Rk(2.5))) +
                           Record(0x0203, Cell(1, 1, 16) + F64(45366)) + Record(0x0205, Cell(1, 2, 15) + U8(1) + U8(0));
  TBookSpec book;
  book.Biff8 = false;
  book.Globals = globals;
  book.Sheets = {{QString(), 0, cells, QByteArray("\xCB\xE8\xF1\xF2")}};  // "Лист"
  return CompoundFile(QStringLiteral("Book"), Stream(book));
}

}  // namespace

TEST_F(OfficeInterop, HandmadeLegacyWorkbooksReadAsLibreOfficeReadsThem) {
  REQUIRE_LIBREOFFICE();
  const struct {
    const char* Name;
    QByteArray Bytes;
    QStringList Sheets;
    QString Active;
  } cases[] = {{"biff8", HandmadeBiff8(), {"Kinds", "Second"}, "Second"},
               {"biff5", HandmadeBiff5(), {QStringLiteral("Лист")}, QStringLiteral("Лист")}};
  QStringList files;
  for (const auto& c : cases) {
    files << Dir.File(QString::fromLatin1(c.Name) + QStringLiteral(".xls"));
    QFile f(files.last());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(c.Bytes);
  }
  const QString csvDir = Dir.File(QStringLiteral("csv"));
  Convert(files, kPerSheetCsv, csvDir);
  for (size_t k = 0; k < std::size(cases); ++k) {
    const auto& c = cases[k];
    SCOPED_TRACE(c.Name);
    WorkbookPtr book = NewApplication()->WorkBooks()->Open(files[qsizetype(k)]);
    QStringList names;
    for (int i = 1; i <= book->Sheets()->Count(); ++i) names << book->Sheets(i)->Name();
    EXPECT_EQ(names, c.Sheets);
    EXPECT_EQ(book->ActiveSheet()->Name(), c.Active);
    int filled = 0;
    for (int i = 1; i <= book->Sheets()->Count(); ++i) {
      QFile f(
          QDir(csvDir).filePath(QString::fromLatin1(c.Name) + u'-' + book->Sheets(i)->Name() + QStringLiteral(".csv")));
      ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << f.fileName().toStdString();
      filled += ExpectSheetMatchesCsv(book->Sheets(i), ParseCsv(QString::fromUtf8(f.readAll())));
    }
    EXPECT_GT(filled, 5);
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
