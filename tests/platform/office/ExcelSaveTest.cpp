// Saving into an opened workbook: only the written sheet's part changes (and
// the workbook, relationships and content types when a sheet is added);
// shared formulas and the calculation chain stay consistent; a save that
// cannot be done raises and leaves the file as it was.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "platform/office/Excel.h"
#include "tests/platform/office/OfficeTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace Excel;
using namespace officetest;
using testsupport::MessageOf;

namespace {

QByteArray FileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class ExcelSaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TWorkbookSpec spec;
    spec.SharedStrings = "<si><t>old</t></si><si><t>kept</t></si>";
    spec.CellXfs = "<xf numFmtId=\"0\"/><xf numFmtId=\"14\" applyNumberFormat=\"1\"/>";
    spec.Sheets = {{"First",
                    "<row r=\"1\" spans=\"1:3\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" s=\"1\"><v>45000</v></c>"
                    "<c r=\"C1\" t=\"s\"><v>1</v></c></row>"
                    "<row r=\"2\"><c r=\"A2\"><v>7</v></c></row>"
                    "<row r=\"10\" ht=\"30\" customHeight=\"1\"><c r=\"D10\" t=\"s\"><v>1</v></c></row>"},
                   {"Second", "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>1</v></c></row>"}};
    Parts = WorkbookParts(spec);
    Parts["docProps/app.xml"] = "<Properties><Application>Somebody</Application></Properties>";
    static const char image[] = "\x89PNG\r\n\x1a\n binary \0 bytes";
    Parts["xl/media/image1.png"] = QByteArray(image, sizeof image - 1);  // the NUL inside included
    File = Dir.File(QStringLiteral("book.xlsx"));
    WritePackage(File, Parts);
    Parts = ReadPackage(File);  // as stored
  }

  // Parts whose bytes differ from the original ones, and parts added or
  // removed.
  QStringList ChangedParts(const TParts& now) const {
    QStringList changed;
    for (const auto& [name, data] : now) {
      const auto it = Parts.find(name);
      if (it == Parts.end()) changed << "+" + name;
      else if (it->second != data) changed << name;
    }
    for (const auto& [name, data] : Parts)
      if (!now.count(name)) changed << "-" + name;
    return changed;
  }

  ApplicationPtr App = NewApplication();
  testsupport::TempDir Dir;
  QString File;
  TParts Parts;
};

TVarArray Table(const std::vector<std::vector<QString>>& rows) {
  TVarArray a(int(rows.size()), int(rows.front().size()));
  for (size_t r = 0; r < rows.size(); ++r)
    for (size_t c = 0; c < rows[r].size(); ++c) a.Set(int(r), int(c), rows[r][c]);
  return a;
}

}  // namespace

TEST_F(ExcelSaveTest, WritingASheetRewritesOnlyItsPart) {
  WorkbookPtr book = App->WorkBooks()->Open(File);
  EXPECT_THROW(book->Sheets(1)->SetName(QStringLiteral("Renamed")), EOleException);
  book->Sheets(1)->Range("A1:B3")->SetValue(QVariant::fromValue(Table({{"new", "02"}, {"", "x"}, {"r3", ""}})));
  book->Sheets(1)->Range("F12")->SetValue(QStringLiteral("below"));
  EXPECT_FALSE(book->Saved());
  book->Save();
  EXPECT_TRUE(book->Saved());

  const TParts now = ReadPackage(File);
  EXPECT_EQ(ChangedParts(now), QStringList{"xl/worksheets/sheet1.xml"});
  const QString xml = QString::fromUtf8(now.at("xl/worksheets/sheet1.xml"));
  // The overwritten date cell keeps its style; untouched cells and the row's
  // height stay; spans of a rewritten row go.
  EXPECT_TRUE(xml.contains(QStringLiteral("<c r=\"B1\" s=\"1\" t=\"inlineStr\"><is><t>02</t></is></c>")));
  EXPECT_TRUE(xml.contains(QStringLiteral("<c r=\"C1\" t=\"s\"><v>1</v></c>")));
  EXPECT_TRUE(xml.contains(QStringLiteral("<row r=\"10\" ht=\"30\" customHeight=\"1\">")));
  EXPECT_FALSE(xml.contains(QStringLiteral("spans")));

  WorkbookPtr back = NewApplication()->WorkBooks()->Open(File);
  EXPECT_EQ(SheetTexts(back->Sheets(1)),
            (QStringList{"new\t02\tkept\t\t\t", "\tx\t\t\t\t", "r3\t\t\t\t\t", "\t\t\t\t\t", "\t\t\t\t\t",
                         "\t\t\t\t\t", "\t\t\t\t\t", "\t\t\t\t\t", "\t\t\t\t\t", "\t\t\tkept\t\t", "\t\t\t\t\t",
                         "\t\t\t\t\tbelow"}));
  EXPECT_EQ(SheetTexts(back->Sheets(2)), QStringList{"kept"});
  // A second save of the same workbook is the same file again.
  const QByteArray first = FileBytes(File);
  book->Sheets(1)->Range("A1")->SetValue(QStringLiteral("new"));
  book->Save();
  EXPECT_EQ(ReadPackage(File), now);
  Q_UNUSED(first);
}

TEST_F(ExcelSaveTest, AnAddedSheetGetsItsOwnPartsAndTheOthersStay) {
  WorkbookPtr book = App->WorkBooks()->Open(File);
  WorksheetPtr sheet = book->WorkSheets()->Add();
  sheet->SetName(QStringLiteral("Leads & co"));
  EXPECT_EQ(book->ActiveSheet()->Name(), "Leads & co");
  sheet->Range("A1:B1")->SetValue(QVariant::fromValue(Table({{"Name", "Town"}})));
  book->Save();

  const TParts now = ReadPackage(File);
  EXPECT_EQ(ChangedParts(now), (QStringList{"[Content_Types].xml", "xl/_rels/workbook.xml.rels", "xl/workbook.xml",
                                            "+xl/worksheets/sheet3.xml"}));
  EXPECT_TRUE(now.at("[Content_Types].xml").contains("/xl/worksheets/sheet3.xml"));

  WorkbookPtr back = NewApplication()->WorkBooks()->Open(File);
  QStringList names;
  for (int i = 1; i <= back->Sheets()->Count(); ++i) names << back->Sheets(i)->Name();
  EXPECT_EQ(names, (QStringList{"Leads & co", "First", "Second"}));
  // The file keeps its active tab, so that the other sheets' parts (which
  // say which tab is selected) stay as they were.
  EXPECT_EQ(back->ActiveSheet()->Name(), "First");
  EXPECT_EQ(SheetTexts(back->Sheets(1)), QStringList{"Name\tTown"});
  EXPECT_EQ(SheetTexts(back->Sheets(3)), QStringList{"kept"});

  // Saving once more updates the sheet now in the file.
  sheet->Range("A2")->SetValue(QStringLiteral("Dupont"));
  book->Save();
  WorkbookPtr again = NewApplication()->WorkBooks()->Open(File);
  EXPECT_EQ(again->Sheets()->Count(), 3);
  EXPECT_EQ(SheetTexts(again->Sheets(1)), (QStringList{"Name\tTown", "Dupont\t"}));
}

TEST_F(ExcelSaveTest, OverwrittenFormulasLeaveNoStaleReferences) {
  TWorkbookSpec spec;
  spec.Sheets = {{"F",
                  "<row r=\"1\"><c r=\"A1\"><f t=\"shared\" ref=\"A1:A3\" si=\"0\">B1*2</f><v>2</v></c>"
                  "<c r=\"B1\"><v>1</v></c></row>"
                  "<row r=\"2\"><c r=\"A2\"><f t=\"shared\" si=\"0\"/><v>4</v></c><c r=\"B2\"><v>2</v></c></row>"
                  "<row r=\"3\"><c r=\"A3\"><f t=\"shared\" si=\"0\"/><v>6</v></c><c r=\"B3\"><v>3</v></c></row>"}};
  TParts parts = WorkbookParts(spec);
  parts["xl/calcChain.xml"] = "<calcChain xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                              "<c r=\"A1\" i=\"1\"/><c r=\"A2\"/><c r=\"A3\"/></calcChain>";
  parts["xl/_rels/workbook.xml.rels"].replace(
      "</Relationships>",
      "<Relationship Id=\"rIdC\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/calcChain\" "
      "Target=\"calcChain.xml\"/></Relationships>");
  parts["[Content_Types].xml"].replace(
      "</Types>", "<Override PartName=\"/xl/calcChain.xml\" "
                  "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml\"/></Types>");
  const QString file = Dir.File(QStringLiteral("formulas.xlsx"));
  WritePackage(file, parts);

  WorkbookPtr book = App->WorkBooks()->Open(file);
  book->Sheets(1)->Range("A1")->SetValue(QStringLiteral("text"));
  book->Save();
  const TParts now = ReadPackage(file);
  EXPECT_FALSE(now.count("xl/calcChain.xml"));
  EXPECT_FALSE(now.at("xl/_rels/workbook.xml.rels").contains("calcChain"));
  EXPECT_FALSE(now.at("[Content_Types].xml").contains("calcChain"));
  // The cells that shared the overwritten formula keep their values.
  const QString xml = QString::fromUtf8(now.at("xl/worksheets/sheet1.xml"));
  EXPECT_FALSE(xml.contains(QStringLiteral("<f")));
  EXPECT_EQ(SheetTexts(NewApplication()->WorkBooks()->Open(file)->Sheets(1)),
            (QStringList{"text\t1", "4\t2", "6\t3"}));
}

// A damaged sheet files a cell under another row than its reference names
// (B2 inside row 3): the readers take the reference, so a value written to
// B2 must replace that cell, not come back behind it.
TEST_F(ExcelSaveTest, AWrittenCellReplacesACellFiledUnderAnotherRow) {
  TWorkbookSpec spec;
  spec.Sheets = {{"M", "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"
                       "<row r=\"3\"><c r=\"A3\"><v>3</v></c><c r=\"B2\"><v>7</v></c></row>"}};
  const QString file = Dir.File(QStringLiteral("misfiled.xlsx"));
  WritePackage(file, WorkbookParts(spec));
  WorkbookPtr book = App->WorkBooks()->Open(file);
  ASSERT_EQ(VarToStr(book->Sheets(1)->Range("B2")->Value()), QStringLiteral("7"));
  book->Sheets(1)->Range("B2")->SetValue(QStringLiteral("written"));
  book->Save();
  WorkbookPtr again = NewApplication()->WorkBooks()->Open(file);
  EXPECT_EQ(VarToStr(again->Sheets(1)->Range("B2")->Value()), QStringLiteral("written"));
  EXPECT_EQ(VarToStr(again->Sheets(1)->Range("A3")->Value()), QStringLiteral("3"));
}

// Rows whose r is missing, empty or not a number are read as the row after
// the one before; a save writes that number in place of the bad one (a second
// r attribute made the saved part malformed, and the copy would not open).
// A written cell filed after a later column of its row replaces the old one
// too (the old one came after the written value and won on reading).
TEST_F(ExcelSaveTest, RowsWithoutAReadableNumberAreSavedUnderTheNumberTheyWereReadAs) {
  const std::vector<std::pair<const char*, QByteArray>> cases = {
      {"no r", "<row><c r=\"A1\"><v>1</v></c></row>"},
      {"empty r", "<row r=\"\"><c r=\"A1\"><v>1</v></c></row>"},
      {"r not a number", "<row r=\"10xl/workbook.xml48576\"><c r=\"A1\"><v>1</v></c></row>"},
      {"r not a number, cell filed far away",
       "<row r=\"1x\"><c r=\"A1\"><v>1</v></c><c r=\"XFD1048576\"><v>9</v></c></row>"},
      {"the written row not a number, holding cells of other rows",
       "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"
       "<row r=\"x\"><c r=\"A3\"><v>3</v></c><c r=\"XFD1048576\"><v>9</v></c></row>"},
      {"the written cell itself after a later column, in a row that is not a number",
       "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"
       "<row r=\"x\"><c r=\"A3\"><v>3</v></c><c r=\"XFD1048576\"><v>9</v></c>"
       "<c r=\"B2\"><f>A1</f><v>7</v></c></row>"},
      {"the written cell after a later column",
       "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"
       "<row r=\"2\"><c r=\"C2\"><v>3</v></c><c r=\"B2\"><v>7</v></c></row>"},
  };
  for (const auto& [name, rows] : cases) {
    SCOPED_TRACE(name);
    TWorkbookSpec spec;
    spec.Sheets = {{"M", rows}};
    const QString file = Dir.File(QStringLiteral("numberless.xlsx"));
    const QString copy = Dir.File(QStringLiteral("numberless-copy.xlsx"));
    WritePackage(file, WorkbookParts(spec));
    WorkbookPtr book = NewApplication()->WorkBooks()->Open(file);
    book->Sheets(1)->Range("B2")->SetValue(QStringLiteral("written"));
    book->SaveAs(copy);
    book->Close(false);
    const QByteArray sheet = ReadPackage(copy).at("xl/worksheets/sheet1.xml");
    EXPECT_EQ(sheet.count("<row r=\"1\""), 1) << sheet.constData();
    WorkbookPtr again = NewApplication()->WorkBooks()->Open(copy);
    EXPECT_EQ(VarToStr(again->Sheets(1)->Range("A1")->Value()), QStringLiteral("1"));
    EXPECT_EQ(VarToStr(again->Sheets(1)->Range("B2")->Value()), QStringLiteral("written"));
    again->Close(false);
    QFile::remove(file);
    QFile::remove(copy);
  }
}

// Sheet parts without cells: a value written into them is saved into a part
// that opens again (an empty root element was once left closed before the
// written rows).
TEST_F(ExcelSaveTest, AValueWrittenIntoASheetWithoutCellsReadsBack) {
  const std::vector<std::pair<const char*, QByteArray>> cases = {
      {"empty root", "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"/>"},
      {"empty root in another namespace", "<worksheet xmlns=\"http://example.org/other\"/>"},
      {"no sheetData", "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"></worksheet>"},
      {"empty sheetData",
       "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData/></worksheet>"},
  };
  for (const auto& [name, part] : cases) {
    SCOPED_TRACE(name);
    TWorkbookSpec spec;
    spec.Sheets = {{"M", ""}};
    TParts parts = WorkbookParts(spec);
    parts["xl/worksheets/sheet1.xml"] = part;
    const QString file = Dir.File(QStringLiteral("empty.xlsx"));
    const QString copy = Dir.File(QStringLiteral("empty-copy.xlsx"));
    WritePackage(file, parts);
    WorkbookPtr book = NewApplication()->WorkBooks()->Open(file);
    book->Sheets(1)->Range("B2")->SetValue(QStringLiteral("written"));
    book->SaveAs(copy);
    book->Close(false);
    WorkbookPtr again = NewApplication()->WorkBooks()->Open(copy);
    EXPECT_EQ(VarToStr(again->Sheets(1)->Range("B2")->Value()), QStringLiteral("written"));
    again->Close(false);
    QFile::remove(file);
    QFile::remove(copy);
  }
}

TEST_F(ExcelSaveTest, ASaveThatFailsLeavesTheFileAsItWas) {
  Parts["xl/worksheets/sheet2.xml"] = "<worksheet><sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row>";
  WritePackage(File, Parts);
  const QByteArray before = FileBytes(File);
  WorkbookPtr book = App->WorkBooks()->Open(File);
  book->Sheets(2)->Range("B1")->SetValue(QStringLiteral("lost?"));
  const QString message = MessageOf([&] { book->Save(); });
  EXPECT_TRUE(message.startsWith(QStringLiteral("EOleException: Part xl/worksheets/sheet2.xml is damaged"))) << message.toStdString();
  EXPECT_FALSE(book->Saved());
  EXPECT_EQ(FileBytes(File), before);
  EXPECT_EQ(QDir(Dir.Path()).entryList(QDir::Files | QDir::Hidden), QStringList{"book.xlsx"});
  // Close with SaveChanges raises the same way; the workbook stays open.
  EXPECT_THROW(book->Close(true), EOleException);
  EXPECT_EQ(App->WorkBooks()->Count(), 1);
  book->SetSaved(true);
  book->Close(true);  // nothing to save any more
  EXPECT_EQ(App->WorkBooks()->Count(), 0);
  EXPECT_EQ(FileBytes(File), before);
}

TEST_F(ExcelSaveTest, SaveAsCopiesTheWorkbookUnderTheNewName) {
  WorkbookPtr book = App->WorkBooks()->Open(File);
  book->Sheets(2)->Range("A2")->SetValue(QStringLiteral("added"));
  const QString copy = Dir.File(QStringLiteral("copy.xlsx"));
  book->SaveAs(copy);
  EXPECT_EQ(book->FullName(), copy);
  EXPECT_EQ(ReadPackage(File), Parts);  // the original is untouched
  TParts now = ReadPackage(copy);
  const TParts saved = now;
  now.erase("xl/worksheets/sheet2.xml");
  TParts expected = Parts;
  expected.erase("xl/worksheets/sheet2.xml");
  EXPECT_EQ(now, expected);
  EXPECT_EQ(SheetTexts(NewApplication()->WorkBooks()->Open(copy)->Sheets(2)), (QStringList{"kept", "added"}));
  // Later saves go to the new file.
  book->Sheets(1)->Range("A1")->SetValue(QStringLiteral("changed"));
  book->Save();
  EXPECT_EQ(ReadPackage(File), Parts);
  EXPECT_NE(ReadPackage(copy), saved);
}

TEST_F(ExcelSaveTest, ClosingWithSaveChangesSavesAndWithoutDiscards) {
  WorkbookPtr book = App->WorkBooks()->Open(File);
  book->Sheets(1)->Range("A1")->SetValue(QStringLiteral("discarded"));
  book->Close(false);
  EXPECT_EQ(ReadPackage(File), Parts);
  book = App->WorkBooks()->Open(File);
  book->Sheets(1)->Range("A1")->SetValue(QStringLiteral("kept on close"));
  book->Close(true);
  EXPECT_EQ(NewApplication()->WorkBooks()->Open(File)->Sheets(1)->Range("A1")->Value().toString(), "kept on close");
  // Quit discards what was not saved.
  book = App->WorkBooks()->Open(File);
  book->Sheets(1)->Range("A1")->SetValue(QStringLiteral("gone"));
  App->Quit();
  EXPECT_EQ(NewApplication()->WorkBooks()->Open(File)->Sheets(1)->Range("A1")->Value().toString(), "kept on close");
}
