// New workbooks: the starting sheet, text-only cells, the cell-length cut,
// the sheet limits, sheets added before the active one, and write failures
// that raise instead of passing for success.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include "platform/office/Excel.h"
#include "tests/platform/office/OfficeTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace Excel;
using namespace officetest;
using testsupport::MessageOf;

namespace {

class ExcelWriteTest : public ::testing::Test {
 protected:
  ApplicationPtr App = CreateOleObject(QStringLiteral("Excel.Application"));
  testsupport::TempDir Dir;

  // Writes rows x cols texts from the table into a new workbook's first
  // sheet from A1 and saves it.
  QString SaveTable(const QString& name, const std::vector<std::vector<QVariant>>& rows) {
    WorkbookPtr book = App->WorkBooks()->Add();
    const int cols = int(rows.front().size());
    TVarArray values(int(rows.size()), cols);
    for (int r = 0; r < int(rows.size()); ++r)
      for (int c = 0; c < cols; ++c) values.Set(r, c, rows[size_t(r)][size_t(c)]);
    book->Sheets(1)->Range(RangeAddress({1, 1, int(rows.size()), cols}))->SetValue(QVariant::fromValue(values));
    const QString file = Dir.File(name);
    book->SaveAs(file);
    book->Close(false);
    return file;
  }
};

}  // namespace

TEST_F(ExcelWriteTest, ANewWorkbookHasOneSheetNamedSheet1) {
  WorkbooksPtr books = App->WorkBooks();
  EXPECT_EQ(books->Count(), 0);
  EXPECT_EQ(App->ActiveWorkBook(), nullptr);
  EXPECT_THROW(App->ActiveCell(), EOleException);
  WorkbookPtr book = books->Add();
  EXPECT_EQ(books->Count(), 1);
  EXPECT_EQ(App->ActiveWorkBook(), book);
  EXPECT_EQ(book->Sheets()->Count(), 1);
  EXPECT_EQ(book->WorkSheets()->Count(), 1);
  EXPECT_EQ(book->Sheets(1)->Name(), "Sheet1");
  EXPECT_EQ(book->ActiveSheet()->Name(), "Sheet1");
  EXPECT_EQ(App->ActiveCell()->Row(), 1);
  EXPECT_TRUE(book->Saved());
  EXPECT_EQ(book->Sheets(1)->UsedRange()->Address(), "$A$1");
  // Saving a workbook that has no file yet needs a name.
  EXPECT_THROW(book->Save(), EOleException);
}

TEST_F(ExcelWriteTest, EveryValueIsStoredAsTextExactly) {
  const QStringList texts = {
      "01000",     "=1+1",   "=SUM(A1:A2)", "1e5",       "TRUE",     "0x10",   " lead",  "trail ",
      "two\nlines", "tab\there", "Ünïcødé € ß", "日本語",   "😀 emoji", "<&>\"'", "_x0041_", "bell\x07",
      "+33 1 23 45 67 89", "-5", "12/03/2024", "@",     "'quoted"};
  std::vector<std::vector<QVariant>> rows(1);
  for (const QString& t : texts) rows[0].push_back(t);
  const QString file = SaveTable(QStringLiteral("texts.xlsx"), rows);

  // In the package: inline text cells only, no formula, no number.
  const TParts parts = ReadPackage(file);
  ASSERT_TRUE(parts.count("xl/worksheets/sheet1.xml"));
  const QString xml = QString::fromUtf8(parts.at("xl/worksheets/sheet1.xml"));
  EXPECT_EQ(xml.count(QStringLiteral("<c ")), texts.size());
  EXPECT_EQ(xml.count(QStringLiteral("t=\"inlineStr\"")), texts.size());
  EXPECT_FALSE(xml.contains(QStringLiteral("<f>")));
  EXPECT_FALSE(xml.contains(QStringLiteral("<v>")));

  // Read back: the same texts, cell for cell, as strings.
  WorkbookPtr book = App->WorkBooks()->Open(file);
  const TVarArray values = VarArrayOf(book->Sheets(1)->Range(QStringLiteral("A1:U1"))->Value());
  for (int c = 0; c < texts.size(); ++c) {
    SCOPED_TRACE(texts[c].toStdString());
    EXPECT_EQ(values.At(1, c + 1).metaType(), QMetaType::fromType<QString>());
    EXPECT_EQ(values.At(1, c + 1).toString(), texts[c]);
  }
}

TEST_F(ExcelWriteTest, NonTextVariantsAreWrittenAsTheirText) {
  const QString file = SaveTable(QStringLiteral("kinds.xlsx"),
                                 {{1.5, true, 42, QVariant(), QString(), QVariant::fromValue(TOleDate{45000.5})}});
  WorkbookPtr book = App->WorkBooks()->Open(file);
  WorksheetPtr sheet = book->Sheets(1);
  EXPECT_EQ(sheet->Range("A1")->Value(), QVariant(QStringLiteral("1.5")));
  EXPECT_EQ(sheet->Range("B1")->Value(), QVariant(QStringLiteral("True")));
  EXPECT_EQ(sheet->Range("C1")->Value(), QVariant(QStringLiteral("42")));
  EXPECT_TRUE(VarIsEmpty(sheet->Range("D1")->Value()));
  EXPECT_TRUE(VarIsEmpty(sheet->Range("E1")->Value()));
  EXPECT_EQ(sheet->Range("F1")->Value(), QVariant(DateTimeToStr(45000.5)));
  // An error value has no text: the write is refused.
  WorkbookPtr other = App->WorkBooks()->Add();
  EXPECT_THROW(other->Sheets(1)->Range("A1")->SetValue(QVariant::fromValue(TOleError{"#N/A"})), EVariantError);
}

TEST_F(ExcelWriteTest, TextsLongerThanTheCellLimitAreCut) {
  const QString longText = QString(40000, u'x');
  // A surrogate pair across the limit is dropped whole, never split.
  const QString pairAtLimit = QString(MaxCellChars - 1, u'a') + QStringLiteral("😀b");
  const QString exact = QString(MaxCellChars, u'e');
  const QString file = SaveTable(QStringLiteral("long.xlsx"), {{longText, pairAtLimit, exact}});
  WorkbookPtr book = App->WorkBooks()->Open(file);
  WorksheetPtr sheet = book->Sheets(1);
  EXPECT_EQ(sheet->Range("A1")->Value().toString(), QString(MaxCellChars, u'x'));
  EXPECT_EQ(sheet->Range("B1")->Value().toString(), QString(MaxCellChars - 1, u'a'));
  EXPECT_EQ(sheet->Range("C1")->Value().toString(), exact);
  EXPECT_EQ(CellText(longText).size(), MaxCellChars);
}

TEST_F(ExcelWriteTest, TheSheetLimitsAreReachableAndNotPassable) {
  WorkbookPtr book = App->WorkBooks()->Add();
  WorksheetPtr sheet = book->Sheets(1);
  sheet->Range("XFD1")->SetValue(QStringLiteral("last column"));
  sheet->Range("A1048576")->SetValue(QStringLiteral("last row"));
  sheet->Cells(MaxRows, MaxColumns)->SetValue(QStringLiteral("corner"));
  EXPECT_EQ(sheet->UsedRange()->Address(), "$A$1:$XFD$1048576");
  for (const char* address : {"XFE1", "A1048577", "A0", "A1:XFE2"}) {
    SCOPED_TRACE(address);
    EXPECT_THROW(sheet->Range(QString::fromLatin1(address)), EOleException);
  }
  EXPECT_THROW(sheet->Cells(MaxRows + 1, 1), EOleException);
  EXPECT_THROW(sheet->Cells(1, MaxColumns + 1), EOleException);
  EXPECT_THROW(sheet->Cells(0, 1), EOleException);
  // The array must have the range's shape.
  TVarArray wrong(2, 3);
  EXPECT_THROW(sheet->Range("A1:B2")->SetValue(QVariant::fromValue(wrong)), EOleException);

  const QString file = Dir.File(QStringLiteral("limits.xlsx"));
  book->SaveAs(file);
  WorkbookPtr back = App->WorkBooks()->Open(file);
  WorksheetPtr s = back->Sheets(1);
  EXPECT_EQ(s->UsedRange()->Address(), "$A$1:$XFD$1048576");
  EXPECT_EQ(s->Range("XFD1")->Value().toString(), "last column");
  EXPECT_EQ(s->Rows()->Cells(MaxRows, 1)->Value().toString(), "last row");
  EXPECT_EQ(s->Rows()->Cells(MaxRows, MaxColumns)->Value().toString(), "corner");
}

TEST_F(ExcelWriteTest, WideGridsGetLettersPastZZ) {
  // 703 columns: the address runs to AAA, and each cell lands in its column.
  WorkbookPtr book = App->WorkBooks()->Add();
  TVarArray values(2, 703);
  for (int c = 0; c < 703; ++c) {
    values.Set(0, c, ColumnLetters(c + 1));
    values.Set(1, c, QString::number(c + 1));
  }
  book->Sheets(1)->Range(QStringLiteral("A1:AAA2"))->SetValue(QVariant::fromValue(values));
  const QString file = Dir.File(QStringLiteral("wide.xlsx"));
  book->SaveAs(file);
  WorksheetPtr s = App->WorkBooks()->Open(file)->Sheets(1);
  EXPECT_EQ(s->UsedRange()->Address(), "$A$1:$AAA$2");
  for (int c : {1, 26, 27, 52, 53, 702, 703}) {
    SCOPED_TRACE(c);
    EXPECT_EQ(s->Cells(1, c)->Value().toString(), ColumnLetters(c));
    EXPECT_EQ(s->Cells(2, c)->Value().toString(), QString::number(c));
  }
}

TEST_F(ExcelWriteTest, AnAddedSheetGoesBeforeTheActiveOneAndBecomesActive) {
  WorkbookPtr book = App->WorkBooks()->Add();
  WorksheetPtr added = book->WorkSheets()->Add();
  EXPECT_EQ(added->Name(), "Sheet2");
  added->SetName(QStringLiteral("Leads"));
  EXPECT_EQ(book->ActiveSheet()->Name(), "Leads");
  added->Range("A1")->SetValue(QStringLiteral("x"));
  WorksheetPtr third = book->WorkSheets()->Add();  // before "Leads", the active one
  EXPECT_EQ(third->Name(), "Sheet3");
  QStringList names;
  for (int i = 1; i <= book->Sheets()->Count(); ++i) names << book->Sheets(i)->Name();
  EXPECT_EQ(names, (QStringList{"Sheet3", "Leads", "Sheet1"}));
  EXPECT_FALSE(book->Saved());

  const QString file = Dir.File(QStringLiteral("sheets.xls"));  // the name's extension does not matter
  book->SaveAs(file);
  EXPECT_TRUE(book->Saved());
  WorkbookPtr back = App->WorkBooks()->Open(file);
  names.clear();
  for (int i = 1; i <= back->WorkSheets()->Count(); ++i) names << back->WorkSheets()->item(i)->Name();
  EXPECT_EQ(names, (QStringList{"Sheet3", "Leads", "Sheet1"}));
  EXPECT_EQ(back->ActiveSheet()->Name(), "Sheet3");
  EXPECT_EQ(back->Sheets(2)->Range("A1")->Value().toString(), "x");
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_TRUE(f.read(2) == "PK");  // Office Open XML whatever the name says
}

TEST_F(ExcelWriteTest, SheetNamesFollowTheWorkbookRules) {
  WorkbookPtr book = App->WorkBooks()->Add();
  WorksheetPtr sheet = book->WorkSheets()->Add();
  for (const QString& bad : {QString(), QString(32, u'n'), QStringLiteral("a:b"), QStringLiteral("a/b"),
                             QStringLiteral("a\\b"), QStringLiteral("a?"), QStringLiteral("a*"), QStringLiteral("[a]"),
                             QStringLiteral("'a"), QStringLiteral("a'"), QStringLiteral("SHEET1")}) {
    SCOPED_TRACE(bad.toStdString());
    EXPECT_THROW(sheet->SetName(bad), EOleException);
  }
  sheet->SetName(QString(31, u'n'));
  sheet->SetName(QStringLiteral("Données 2024 – été"));
  EXPECT_EQ(sheet->Name(), QStringLiteral("Données 2024 – été"));
}

TEST_F(ExcelWriteTest, WriteFailuresRaiseWithTheirCause) {
  WorkbookPtr book = App->WorkBooks()->Add();
  book->Sheets(1)->Range("A1")->SetValue(QStringLiteral("data"));
  QFile plain(Dir.File(QStringLiteral("plain.txt")));
  ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
  plain.close();
  QDir(Dir.Path()).mkdir(QStringLiteral("folder"));
  const struct {
    QString Target;
    const char* Cause;
  } cases[] = {
      {Dir.File(QStringLiteral("missing/out.xlsx")), "No such file or directory"},
      {Dir.File(QStringLiteral("plain.txt/out.xlsx")), "Not a directory"},
      {Dir.File(QStringLiteral("folder")), "Is a directory"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Target.toStdString());
    const QString message = MessageOf([&] { book->SaveAs(c.Target); });
    EXPECT_TRUE(message.startsWith(QStringLiteral("EOleException: Cannot write"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QString::fromLatin1(c.Cause))) << message.toStdString();
    EXPECT_FALSE(book->Saved());
  }
  // Nothing was left behind in the folders that could be written.
  EXPECT_EQ(QDir(Dir.Path()).entryList(QDir::Files | QDir::Hidden), QStringList{"plain.txt"});
  EXPECT_TRUE(QDir(Dir.File(QStringLiteral("folder"))).isEmpty());
}

TEST_F(ExcelWriteTest, ClosedWorkbooksAndAQuitApplicationRefuseCalls) {
  WorkbookPtr book = App->WorkBooks()->Add();
  WorksheetPtr sheet = book->Sheets(1);
  RangePtr range = sheet->Range("A1");
  book->Close(false);
  EXPECT_EQ(App->WorkBooks()->Count(), 0);
  EXPECT_THROW(book->Sheets(), EOleException);
  EXPECT_THROW(sheet->Name(), EOleException);
  EXPECT_THROW(range->SetValue(QStringLiteral("x")), EOleException);
  EXPECT_THROW(book->Sheets(2), EOleException);

  WorkbookPtr other = App->WorkBooks()->Add();
  EXPECT_EQ(other->Name(), "Book2");
  EXPECT_THROW(other->Sheets(0), EOleException);
  EXPECT_THROW(other->Sheets(2), EOleException);
  App->Quit();
  EXPECT_THROW(App->WorkBooks(), EOleException);
  EXPECT_THROW(other->ActiveSheet(), EOleException);
}

TEST(ExcelServer, OnlyTheSpreadsheetServerExists) {
  EXPECT_EQ(GetActiveOleObject(QStringLiteral("excel.application")), nullptr);
  EXPECT_NE(CreateOleObject(QStringLiteral("EXCEL.Application")), nullptr);
  EXPECT_EQ(MessageOf([] { CreateOleObject(QStringLiteral("word.application")); }),
            "EOleSysError: Invalid class string");
}
