// Reading workbook packages built part by part: shared, rich and inline
// strings, numbers in the locale's form, dates by number format (1900 and
// 1904 systems, the phantom leap day), currency, booleans, error cells,
// formulas' cached values, cells without references, and content sniffing.

#include <gtest/gtest.h>

#include <QFile>

#include "platform/office/Excel.h"
#include "platform/office/XlsxFormat.h"
#include "tests/platform/office/OfficeTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace Excel;
using namespace officetest;
using testsupport::MessageOf;

namespace {

class ExcelReadTest : public ::testing::Test {
 protected:
  ApplicationPtr App = NewApplication();
  testsupport::TempDir Dir;

  WorkbookPtr OpenSpec(const TWorkbookSpec& spec, const QString& name = QStringLiteral("book.xlsx")) {
    const QString file = Dir.File(name);
    WritePackage(file, WorkbookParts(spec));
    return App->WorkBooks()->Open(file);
  }
};

// Style indexes of the cellXfs below.
const QByteArray kXfs =
    "<xf numFmtId=\"0\"/>"      // 0 general
    "<xf numFmtId=\"14\"/>"     // 1 built-in date
    "<xf numFmtId=\"22\"/>"     // 2 built-in date and time
    "<xf numFmtId=\"164\"/>"    // 3 custom date "dd/mm/yyyy hh:mm"
    "<xf numFmtId=\"165\"/>"    // 4 "0.0\"d\"": quoted d, a number
    "<xf numFmtId=\"7\"/>"      // 5 built-in currency
    "<xf numFmtId=\"166\"/>"    // 6 "#,##0.00 [$€-40C]": currency
    "<xf numFmtId=\"167\"/>"    // 7 "[h]:mm:ss": elapsed time, a date
    "<xf numFmtId=\"168\"/>"    // 8 "[Red]0.00": colour block, a number
    "<xf numFmtId=\"21\"/>";    // 9 built-in time
const QByteArray kNumFmts =
    "<numFmt numFmtId=\"164\" formatCode=\"dd/mm/yyyy hh:mm\"/>"
    "<numFmt numFmtId=\"165\" formatCode=\"0.0&quot;d&quot;\"/>"
    "<numFmt numFmtId=\"166\" formatCode=\"#,##0.00\\ [$€-40C]\"/>"
    "<numFmt numFmtId=\"167\" formatCode=\"[h]:mm:ss\"/>"
    "<numFmt numFmtId=\"168\" formatCode=\"[Red]0.00\"/>";

TWorkbookSpec OneSheet() {
  TWorkbookSpec spec;
  spec.Sheets = {{"S", ""}};
  return spec;
}

QString Text(const WorksheetPtr& sheet, const char* cell) {
  const QVariant v = sheet->Range(QString::fromLatin1(cell))->Value();
  return VarIsError(v) ? QStringLiteral("#ERR ") + v.value<TOleError>().Text : VarToStr(v);
}

}  // namespace

TEST_F(ExcelReadTest, ValuesBecomeTheTextsTheGridShows) {
  TWorkbookSpec spec;
  spec.NumFmts = kNumFmts;
  spec.CellXfs = kXfs;
  spec.SharedStrings =
      "<si><t>plain</t></si>"
      "<si><r><rPr><b/></rPr><t>rich </t></r><r><t xml:space=\"preserve\">runs </t></r><rPh><t>PHONETIC</t></rPh></si>"
      "<si><t>cr_x000D_lf</t></si>"
      "<si><t>_x005F_x0041_</t></si>";
  spec.Sheets = {{"Data",
                  "<row r=\"1\">"
                  "<c r=\"A1\" t=\"s\"><v>0</v></c>"
                  "<c r=\"B1\" t=\"s\"><v>1</v></c>"
                  "<c r=\"C1\" t=\"inlineStr\"><is><t>inline</t></is></c>"
                  "<c r=\"D1\" t=\"s\"><v>2</v></c>"
                  "<c r=\"E1\" t=\"s\"><v>3</v></c>"
                  "</row><row r=\"2\">"
                  "<c r=\"A2\"><v>1234.5</v></c>"
                  "<c r=\"B2\"><v>0.1</v></c>"
                  "<c r=\"C2\"><v>1E+20</v></c>"
                  "<c r=\"D2\"><v>-3</v></c>"
                  "<c r=\"E2\"><v>3.14159265358979312</v></c>"
                  "</row><row r=\"3\">"
                  "<c r=\"A3\" t=\"b\"><v>1</v></c>"
                  "<c r=\"B3\" t=\"b\"><v>0</v></c>"
                  "<c r=\"C3\" t=\"e\"><v>#DIV/0!</v></c>"
                  "<c r=\"D3\"><f>1+1</f><v>2</v></c>"
                  "<c r=\"E3\" t=\"str\"><f>\"a\"&amp;\"b\"</f><v>ab</v></c>"
                  "</row><row r=\"4\">"
                  "<c r=\"A4\" s=\"1\"><v>45366</v></c>"
                  "<c r=\"B4\" s=\"2\"><v>45366.75</v></c>"
                  "<c r=\"C4\" s=\"3\"><v>45366.5</v></c>"
                  "<c r=\"D4\" s=\"4\"><v>2.5</v></c>"
                  "<c r=\"E4\" s=\"9\"><v>0.25</v></c>"
                  "</row><row r=\"5\">"
                  "<c r=\"A5\" s=\"5\"><v>12.345678</v></c>"
                  "<c r=\"B5\" s=\"6\"><v>9.87654321</v></c>"
                  "<c r=\"C5\" s=\"7\"><v>1.5</v></c>"
                  "<c r=\"D5\" s=\"8\"><v>7.25</v></c>"
                  "<c r=\"E5\"><f>A1</f></c>"
                  "</row>"}};
  WorkbookPtr book = OpenSpec(spec);
  WorksheetPtr s = book->Sheets(1);
  EXPECT_EQ(s->UsedRange()->Address(), "$A$1:$E$5");
  const struct {
    const char* Cell;
    QString Text;
  } cases[] = {
      {"A1", "plain"},
      {"B1", "rich runs "},             // runs joined, phonetic text left out
      {"C1", "inline"},
      {"D1", "cr\rlf"},                 // "_xHHHH_" escapes decoded
      {"E1", "_x0041_"},                // an escaped escape stays literal
      {"A2", "1234.5"},
      {"B2", "0.1"},
      {"C2", "1E20"},
      {"D2", "-3"},
      {"E2", "3.14159265358979"},       // 15 significant digits
      {"A3", "True"},
      {"B3", "False"},
      {"C3", "#ERR #DIV/0!"},
      {"D3", "2"},                      // a formula's cached value
      {"E3", "ab"},
      {"A4", "3/15/2024"},              // date only
      {"B4", "3/15/2024 6:00:00 PM"},   // date and time
      {"C4", "3/15/2024 12:00:00 PM"},
      {"D4", "2.5"},                    // a quoted "d" is no date
      {"E4", "6:00:00 AM"},             // time only
      {"A5", "12.3457"},                // currency: four decimals
      {"B5", "9.8765"},
      {"C5", "1/1/1900 12:00:00 PM"},   // elapsed time counts as a date
      {"D5", "7.25"},
      {"E5", ""},                       // formula without a cached value
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Cell);
    EXPECT_EQ(Text(s, c.Cell), c.Text);
  }
  EXPECT_EQ(s->Range("A5")->Value().metaType(), QMetaType::fromType<TOleCurrency>());
  EXPECT_TRUE(VarIsError(s->Range("C3")->Value()));
  // The same through the whole-range array, 1-based.
  const TVarArray all = VarArrayOf(s->Range(s->UsedRange()->Address())->Value());
  EXPECT_EQ(all.LowRow(), 1);
  EXPECT_EQ(all.LowCol(), 1);
  EXPECT_EQ(all.At(2, 1).toDouble(), 1234.5);
  EXPECT_EQ(VarToStr(all.At(4, 1)), "3/15/2024");
  // Other locales: the decimal separator and date order follow the settings.
  EXPECT_EQ(VarToStr(all.At(2, 1), testsupport::GermanSettings()), "1234,5");
  EXPECT_EQ(VarToStr(all.At(4, 1), testsupport::FrenchSettings()), "15/03/2024");
}

TEST_F(ExcelReadTest, SerialDatesOfBothSystems) {
  TWorkbookSpec spec;
  spec.CellXfs = "<xf numFmtId=\"0\"/><xf numFmtId=\"14\"/>";
  spec.Sheets = {{"S",
                  "<row r=\"1\"><c r=\"A1\" s=\"1\"><v>1</v></c><c r=\"B1\" s=\"1\"><v>59</v></c>"
                  "<c r=\"C1\" s=\"1\"><v>60</v></c><c r=\"D1\" s=\"1\"><v>61</v></c>"
                  "<c r=\"E1\" s=\"1\"><v>0</v></c><c r=\"F1\" s=\"1\"><v>-1</v></c></row>"}};
  WorksheetPtr s = OpenSpec(spec)->Sheets(1);
  EXPECT_EQ(Text(s, "A1"), "1/1/1900");
  EXPECT_EQ(Text(s, "B1"), "2/28/1900");
  EXPECT_EQ(Text(s, "C1"), "2/28/1900");  // the 1900 system's phantom 29 February
  EXPECT_EQ(Text(s, "D1"), "3/1/1900");
  EXPECT_EQ(Text(s, "E1"), "12:00:00 AM");  // day 0: a time of day
  EXPECT_EQ(Text(s, "F1"), "-1");           // no date: the number

  spec.Date1904 = true;
  WorksheetPtr t = OpenSpec(spec, QStringLiteral("1904.xlsx"))->Sheets(1);
  EXPECT_EQ(Text(t, "A1"), "1/2/1904");
  EXPECT_EQ(Text(t, "C1"), "3/1/1904");
  EXPECT_EQ(Text(t, "E1"), "12:00:00 AM");  // day 0 is a time of day in this system too
}

TEST_F(ExcelReadTest, UsedRangeAndSingleCells) {
  TWorkbookSpec spec;
  spec.Sheets = {{"Offset",
                  "<row r=\"3\"><c r=\"C3\" t=\"inlineStr\"><is><t>top left</t></is></c></row>"
                  "<row r=\"10\"><c r=\"E10\"><v>5</v></c></row>"},
                 {"Single", "<row r=\"2\"><c r=\"B2\" t=\"inlineStr\"><is><t>only</t></is></c></row>"},
                 {"Empty", ""},
                 {"NoRefs",  // references may be left out: cells and rows follow each other
                  "<row><c t=\"inlineStr\"><is><t>a</t></is></c><c t=\"inlineStr\"><is><t>b</t></is></c></row>"
                  "<row><c r=\"C2\"><v>1</v></c><c><v>2</v></c></row>"}};
  WorkbookPtr book = OpenSpec(spec);
  WorksheetPtr offset = book->Sheets(1);
  RangePtr used = offset->UsedRange();
  EXPECT_EQ(used->Address(), "$C$3:$E$10");  // 3 columns by 8 rows
  EXPECT_EQ(used->Rows()->Count(), 8);
  EXPECT_EQ(used->Columns()->Count(), 3);
  EXPECT_EQ(used->Row(), 3);
  EXPECT_EQ(used->Column(), 3);
  const TVarArray v = VarArrayOf(offset->Range("C3:E10")->Value());
  EXPECT_EQ(v.RowCount(), 8);
  EXPECT_EQ(v.At(1, 1).toString(), "top left");
  EXPECT_EQ(v.At(8, 3).toDouble(), 5.0);
  EXPECT_TRUE(VarIsEmpty(v.At(2, 2)));

  WorksheetPtr single = book->Sheets(2);
  EXPECT_EQ(single->UsedRange()->Address(), "$B$2");
  EXPECT_EQ(single->Rows()->Cells(2, 2)->Value().toString(), "only");
  EXPECT_EQ(book->Sheets(3)->UsedRange()->Address(), "$A$1");
  EXPECT_EQ(SheetTexts(book->Sheets(4)), (QStringList{"a\tb\t\t", "\t\t1\t2"}));
}

TEST_F(ExcelReadTest, SheetsAreListedInWorkbookOrderWithTheActiveOne) {
  TWorkbookSpec spec;
  spec.Sheets = {{"Zeta", ""}, {"Alpha", ""}, {"Ü & <b>", ""}};
  spec.ActiveTab = 1;
  WorkbookPtr book = OpenSpec(spec);
  QStringList names;
  for (int i = 1; i <= book->WorkSheets()->Count(); ++i) names << book->WorkSheets()->item(i)->Name();
  EXPECT_EQ(names, (QStringList{"Zeta", "Alpha", "Ü & <b>"}));
  EXPECT_EQ(book->ActiveSheet()->Name(), "Alpha");
  EXPECT_EQ(book->Name(), "book.xlsx");
  EXPECT_THROW(book->Sheets(4), EOleException);
}

TEST_F(ExcelReadTest, FilesThatAreNoWorkbooksAreRefused) {
  auto write = [&](const QString& name, const QByteArray& bytes) {
    QFile f(Dir.File(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return f.fileName();
  };
  TParts noWorkbook = WorkbookParts(OneSheet());
  noWorkbook.erase("xl/workbook.xml");
  WritePackage(Dir.File(QStringLiteral("noworkbook.xlsx")), noWorkbook);
  TParts badXml = WorkbookParts(OneSheet());
  badXml["xl/workbook.xml"] = "<workbook><sheets><sheet name=\"a\"";
  WritePackage(Dir.File(QStringLiteral("badxml.xlsx")), badXml);
  TParts entity = WorkbookParts(OneSheet());
  entity["xl/workbook.xml"] =
      "<?xml version=\"1.0\"?><!DOCTYPE w [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
      "<workbook><sheets><sheet name=\"&x;\" sheetId=\"1\"/></sheets></workbook>";
  WritePackage(Dir.File(QStringLiteral("entity.xlsx")), entity);

  const struct {
    QString File;
    const char* Message;
  } cases[] = {
      {write("text.xlsx", "Name;Town\nA;B\n"), "EOleException: Incorrect Excel file"},
      {write("empty.xls", ""), "EOleException: Incorrect Excel file"},
      {write("damaged.xlsx", "PK\x03\x04 this is no zip"), "EOleException: Incorrect Excel file"},
      {write("damaged.xls", QByteArray::fromHex("D0CF11E0A1B11AE1") + QByteArray(600, 'x')),
       "EOleException: Incorrect Excel file: the compound file's header is damaged (byte order)"},
      {Dir.File(QStringLiteral("noworkbook.xlsx")), "EOleException: Incorrect Excel file"},
      {Dir.File(QStringLiteral("badxml.xlsx")), "EOleException: Incorrect Excel file"},
      {Dir.File(QStringLiteral("entity.xlsx")), "EOleException: Incorrect Excel file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.File.toStdString());
    EXPECT_EQ(MessageOf([&] { App->WorkBooks()->Open(c.File); }), c.Message);
  }
  EXPECT_EQ(App->WorkBooks()->Count(), 0);
  EXPECT_TRUE(MessageOf([&] { App->WorkBooks()->Open(Dir.File(QStringLiteral("absent.xlsx"))); })
                  .startsWith(QStringLiteral("EOleException: Cannot open")));
  EXPECT_TRUE(MessageOf([&] { App->WorkBooks()->Open(Dir.Path()); }).startsWith(QStringLiteral("EOleException: Cannot open")));
}

TEST_F(ExcelReadTest, DamageInsideASheetShowsWhenItIsRead) {
  TWorkbookSpec spec;
  spec.Sheets = {{"Good", "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"},
                 {"BadNumber", "<row r=\"1\"><c r=\"A1\"><v>one</v></c></row>"},
                 {"BadString", "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>7</v></c></row>"},
                 {"BadRef", "<row r=\"1\"><c r=\"1A\"><v>1</v></c></row>"}};
  WorkbookPtr book = OpenSpec(spec);
  EXPECT_EQ(Text(book->Sheets(1), "A1"), "1");
  for (int i = 2; i <= 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(MessageOf([&] { book->Sheets(i)->UsedRange(); }), "EOleException: Incorrect Excel file");
  }
}

TEST(NumberFormats, DatesCurrencyAndNumbersAreToldApart) {
  using detail::ClassifyNumberFormat;
  using detail::TCellDecoder;
  const struct {
    int Id;
    const char* Code;
    TCellDecoder::TNumberKind Kind;
  } cases[] = {
      {0, "", TCellDecoder::nkNumber},          {14, "", TCellDecoder::nkDate},
      {22, "", TCellDecoder::nkDate},           {45, "", TCellDecoder::nkDate},
      {47, "", TCellDecoder::nkDate},           {23, "", TCellDecoder::nkNumber},
      {5, "", TCellDecoder::nkCurrency},        {44, "", TCellDecoder::nkCurrency},
      {164, "yyyy-mm-dd", TCellDecoder::nkDate}, {164, "h:mm AM/PM", TCellDecoder::nkDate},
      {164, "0.00\"days\"", TCellDecoder::nkNumber}, {164, "0\\d", TCellDecoder::nkNumber},
      {164, "[Blue]General", TCellDecoder::nkNumber}, {164, "[$-409]mmm d", TCellDecoder::nkDate},
      {164, "[$$-409]#,##0.00", TCellDecoder::nkCurrency}, {164, "#,##0 \"€\"", TCellDecoder::nkCurrency},
      {164, "0.00E+00", TCellDecoder::nkNumber}, {164, "@", TCellDecoder::nkNumber},
      {164, "_(* #,##0_)", TCellDecoder::nkNumber},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.Id) + " " + c.Code);
    EXPECT_EQ(ClassifyNumberFormat(c.Id, QString::fromUtf8(c.Code)), c.Kind);
  }
}
