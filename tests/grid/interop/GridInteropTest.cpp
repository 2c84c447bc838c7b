// The grid's files against real spreadsheet programs: LibreOffice (headless,
// its own profile, every run bounded in time) converts the grid's workbooks
// and delimited text and writes files the grid reads; Debian's python3 with
// openpyxl checks cell types and sheet names and writes workbooks with
// numbers, dates, empty cells and several sheets. The test main pins the
// en-US format settings, so numbers and dates read back in one fixed form.
// The tests skip only when a program is not installed (scripts/install-deps
// installs both).

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <map>

#include "grid/model/KitGrid.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/OfficeTools.h"
#include "tests/support/TestSupport.h"

using gridtest::NewGrid;
using namespace officetest;

namespace {

// Lead-like rows that break naive writers and readers.
QList<QStringList> LeadRows() {
  return {
      {u"Nom"_qs, u"Code postal"_qs, u"Ville"_qs, u"Téléphone"_qs, u"Note"_qs},
      {u"Crêperie « Saint-Étienne »"_qs, u"01000"_qs, u"Bourg-en-Bresse"_qs, u"04 74 00 00 01"_qs, u"=1+1"_qs},
      {u"Boulangerie \"Chez Zoë\""_qs, u"07100"_qs, u"Annonay"_qs, u"0475000002"_qs, u"a, b; c"_qs},
      {u"Œuvre & Fils"_qs, u"2A004"_qs, u"Ajaccio"_qs, QString(), u"ligne 1\nligne 2"_qs},
      {u"日本語 😀"_qs, u"00000"_qs, QString(), u"+33 1 23"_qs, u"last"_qs},
  };
}

std::unique_ptr<TKitStringGrid> GridOf(const QList<QStringList>& rows) {
  auto g = NewGrid();
  g->SetFixedRows(0);
  g->SetFixedCols(0);
  g->SetColCount(int(rows.front().size()));
  g->SetRowCount(int(rows.size()));
  for (int r = 0; r < rows.size(); ++r)
    for (int c = 0; c < rows[r].size(); ++c) g->SetCells(c, r, rows[r][c]);
  return g;
}

QList<QStringList> Cells(TKitStringGrid& g) {
  QList<QStringList> rows;
  for (int r = 0; r < g.RowCount(); ++r) {
    QStringList row;
    for (int c = 0; c < g.ColCount(); ++c) row << g.Cells(c, r);
    rows << row;
  }
  return rows;
}

QList<QStringList> WithLineBreaks(QList<QStringList> rows, const QString& Break) {
  for (QStringList& row : rows)
    for (QString& t : row) t.replace(u"\n"_qs, Break);
  return rows;
}

class GridInterop : public officetest::OfficeFixture {};

}  // namespace

TEST_F(GridInterop, LibreOfficeReadsTheGridsWorkbookCellForCell) {
  REQUIRE_LIBREOFFICE();
  auto g = GridOf(LeadRows());
  const QString file = Dir.File(u"leads.xls"_qs);  // Office Open XML whatever the name says
  g->SaveToXLSSheet(file, u"Leads"_qs);
  const auto sheets = SheetsAsCsv(file, Dir.File(u"csv"_qs));
  ASSERT_TRUE(sheets.count(u"Leads"_qs)) << sheets.size();
  EXPECT_EQ(sheets.at(u"Leads"_qs), Cells(*g));
  EXPECT_TRUE(sheets.count(u"Sheet1"_qs));
  // The application's save: one sheet.
  const QString plain = Dir.File(u"plain.xlsx"_qs);
  g->SaveToXLS(plain, false);
  const auto one = SheetsAsCsv(plain, Dir.File(u"csv2"_qs));
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one.begin()->second, Cells(*g));
}

TEST_F(GridInterop, OpenpyxlSeesTextCellsAndSheetNames) {
  REQUIRE_OPENPYXL();
  const QString written = Dir.File(u"leads.xls"_qs);
  GridOf(LeadRows())->SaveToXLSSheet(written, u"Leads"_qs);
  const QString file = Dir.File(u"leads-copy.xlsx"_qs);  // openpyxl goes by the extension
  ASSERT_TRUE(QFile::copy(written, file));
  const QJsonObject o = Python(QString::fromUtf8(R"PY(
import json, sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
cells = []
for ws in wb.worksheets:
    for row in ws.iter_rows():
        for c in row:
            if c.value is not None:
                cells.append([ws.title, c.row, c.column, c.data_type, c.value])
print(json.dumps({"names": wb.sheetnames, "cells": cells}))
)PY"),
                               {file})
                            .object();
  EXPECT_EQ(o["names"].toVariant().toStringList(), (QStringList{u"Leads"_qs, u"Sheet1"_qs}));
  const QList<QStringList> rows = LeadRows();
  int expected = 0;
  for (const QStringList& row : rows)
    for (const QString& t : row) expected += t.isEmpty() ? 0 : 1;
  const QJsonArray cells = o["cells"].toArray();
  EXPECT_EQ(cells.size(), expected);
  for (const QJsonValue& v : cells) {
    const QJsonArray c = v.toArray();
    EXPECT_EQ(c[0].toString(), u"Leads"_qs);
    EXPECT_EQ(c[3].toString(), u"s"_qs);
    EXPECT_EQ(c[4].toString(), rows[c[1].toInt() - 1][c[2].toInt() - 1]);
  }
}

TEST_F(GridInterop, TheGridLoadsOpenpyxlAndLibreOfficeWorkbooksAndTheXlsForm) {
  REQUIRE_OPENPYXL();
  REQUIRE_LIBREOFFICE();
  const QString source = Dir.File(u"typed.xlsx"_qs);
  Python(QString::fromUtf8(R"PY(
import sys, datetime, openpyxl
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "Leads"
ws.append(["Nom", "Code", "Montant", "Date"])
ws.append(["Zoë", "01000", 1234.5, datetime.date(2024, 3, 15)])
ws.append(["Ærø", None, 42, datetime.datetime(2024, 3, 15, 18, 30)])
ws["B5"] = "after a gap"
ws2 = wb.create_sheet("Villes")
ws2["B2"] = "Lyon"
ws2["C3"] = 7
wb.save(sys.argv[1])
)PY"),
         {source});
  const QList<QStringList> leads{{u"Nom"_qs, u"Code"_qs, u"Montant"_qs, u"Date"_qs},
                                 {u"Zoë"_qs, u"01000"_qs, u"1234.5"_qs, u"3/15/2024"_qs},
                                 {u"Ærø"_qs, QString(), u"42"_qs, u"3/15/2024 6:30:00 PM"_qs},
                                 {QString(), QString(), QString(), QString()},
                                 {QString(), u"after a gap"_qs, QString(), QString()}};
  auto g = NewGrid();
  g->SetFixedRows(0);
  g->SetFixedCols(0);
  g->LoadFromXLS(source);
  EXPECT_EQ(Cells(*g), leads);
  g->LoadFromXLSSheet(source, u"Villes"_qs);
  EXPECT_EQ(Cells(*g), (QList<QStringList>{{u"Lyon"_qs, QString()}, {QString(), u"7"_qs}}));
  std::unique_ptr<TStringList> names(g->GetXLSSheets(source));
  EXPECT_EQ(names->Text(), u"Leads\r\nVilles\r\n"_qs);

  // The same workbook written by LibreOffice, and its legacy .xls form.
  const QStringList made = Convert(source, u"xlsx:Calc MS Excel 2007 XML"_qs, Dir.File(u"lo"_qs));
  ASSERT_EQ(made.size(), 1);
  g->LoadFromXLS(made[0]);
  EXPECT_EQ(Cells(*g), leads);
  const QStringList xls = Convert(made[0], u"xls:MS Excel 97"_qs, Dir.File(u"xls"_qs));
  ASSERT_EQ(xls.size(), 1);
  ASSERT_TRUE(testsupport::ReadBytes(xls[0]).startsWith(QByteArray::fromHex("D0CF11E0")));
  g->LoadFromXLSSheet(xls[0], u"Villes"_qs);
  EXPECT_EQ(Cells(*g), (QList<QStringList>{{u"Lyon"_qs, QString()}, {QString(), u"7"_qs}}));
  g->LoadFromXLSSheet(xls[0], u"Leads"_qs);
  EXPECT_EQ(Cells(*g), leads);
}

TEST_F(GridInterop, DelimitedTextRoundTripsThroughLibreOffice) {
  REQUIRE_LIBREOFFICE();
  // LibreOffice writes the rows as CSV (UTF-8 without a byte-order mark,
  // fields with a comma, quote or line break quoted, LF inside a cell).
  const QString book = Dir.File(u"rows.xlsx"_qs);
  GridOf(LeadRows())->SaveToXLS(book, false);
  const QStringList csv = Convert(book, kPerSheetCsv, Dir.File(u"lo-csv"_qs));
  ASSERT_EQ(csv.size(), 1);
  auto g = NewGrid();
  g->SetFixedRows(0);
  g->SetFixedCols(0);
  g->LoadFromCSV(csv[0], TEncoding::UTF8());
  // The reader joins a quoted field's lines with CR LF.
  EXPECT_EQ(Cells(*g), WithLineBreaks(LeadRows(), u"\r\n"_qs));

  // The grid's CSV read back by LibreOffice (every column as text).
  g->SetMultilinecells(true);
  const QString ours = Dir.File(u"ours.csv"_qs);
  g->SaveToCSV(ours, true);
  const QStringList back = Convert(ours, u"xlsx:Calc MS Excel 2007 XML"_qs, Dir.File(u"lo-xlsx"_qs),
                                   {u"--infilter=CSV:44,34,76,1,1/2/2/2/3/2/4/2/5/2"_qs});
  ASSERT_EQ(back.size(), 1);
  auto h = NewGrid();
  h->SetFixedRows(0);
  h->SetFixedCols(0);
  h->LoadFromXLS(back[0]);
  QList<QStringList> got = Cells(*h);
  for (QStringList& row : got)
    for (QString& t : row) t.replace(u"\r\n"_qs, u"\n"_qs);
  EXPECT_EQ(got, LeadRows());
}
