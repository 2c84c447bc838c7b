// Reading legacy .xls workbooks: BIFF8 and BIFF5 records built one by one
// (every cell record, formulas' cached results of each kind, shared strings
// split over CONTINUE records, code pages, dates by cell format, the sheet
// list and the active tab), the compound file around them in its layouts,
// damaged files that must fail with their reason and load nothing, random
// workbooks against the values they were built from, and the workbooks
// LibreOffice wrote (fixtures/) against LibreOffice's own CSV of them.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <functional>
#include <map>
#include <random>

#include "platform/office/Excel.h"
#include "platform/office/XlsxFormat.h"
#include "tests/platform/office/SheetVsCsv.h"
#include "tests/platform/office/XlsBuilder.h"
#include "tests/support/OfficeTools.h"
#include "tests/support/TestSupport.h"

using namespace Excel;
using namespace xlstest;
using testsupport::MessageOf;

namespace {

// ---------------------------------------------------------------------------
// Records

QByteArray Xf(bool biff8, int format) {
  return Record(0x00E0, U16(0) + U16(format) + U16(0x0001) + QByteArray(biff8 ? 14 : 10, '\0'));
}
QByteArray Format8(int id, const QString& code) { return Record(0x041E, U16(id) + Biff8Text(code, 2)); }
QByteArray Format5(int id, const QByteArray& code) { return Record(0x041E, U16(id) + U8(int(code.size())) + code); }
QByteArray Window1(int active) {
  return Record(0x003D, U16(0) + U16(0) + U16(9000) + U16(6000) + U16(0x38) + U16(active) + U16(0) + U16(1) + U16(600));
}
QByteArray CodePage(int cp) { return Record(0x0042, U16(cp)); }
QByteArray DateMode(bool d1904) { return Record(0x0022, U16(d1904 ? 1 : 0)); }
QByteArray Number(int row, int col, int xf, double v) { return Record(0x0203, Cell(row, col, xf) + F64(v)); }
QByteArray RkCell(int row, int col, int xf, double v) { return Record(0x027E, Cell(row, col, xf) + U32(Rk(v))); }
QByteArray MulRk(int row, int col, int xf, const std::vector<double>& values) {
  QByteArray body = U16(row) + U16(col);
  for (double v : values) body += U16(xf) + U32(Rk(v));
  return Record(0x00BD, body + U16(col + int(values.size()) - 1));
}
QByteArray LabelSst(int row, int col, int index) { return Record(0x00FD, Cell(row, col, 0) + U32(uint32_t(index))); }
QByteArray Label8(int row, int col, const QString& text) {
  return Record(0x0204, Cell(row, col, 0) + Biff8Text(text, 2));
}
QByteArray Label5(int row, int col, const QByteArray& bytes) {
  return Record(0x0204, Cell(row, col, 0) + U16(int(bytes.size())) + bytes);
}
QByteArray RString8(int row, int col, const QString& text) {
  return Record(0x00D6, Cell(row, col, 0) + Biff8Text(text, 2) + U16(2) + U16(0) + U16(1) + U16(3) + U16(2));
}
QByteArray RString5(int row, int col, const QByteArray& bytes) {
  return Record(0x00D6, Cell(row, col, 0) + U16(int(bytes.size())) + bytes + U8(1) + U8(0) + U8(1));
}
QByteArray BoolErr(int row, int col, int value, bool error) {
  return Record(0x0205, Cell(row, col, 0) + U8(value) + U8(error ? 1 : 0));
}
// A formula whose cached result is a number; its expression is "=2" (ptgInt).
QByteArray FormulaNumber(int row, int col, int xf, double v) {
  return Record(0x0006, Cell(row, col, xf) + F64(v) + U16(0) + U32(0) + U16(3) + U8(0x1E) + U16(2));
}
// A formula whose cached result is a text (kind 0, in the STRING record
// after it), a boolean (1), an error (2) or an empty text (3).
QByteArray FormulaOther(int row, int col, int kind, int value = 0) {
  return Record(0x0006, Cell(row, col, 0) + U8(kind) + U8(0) + U8(value) + U8(0) + U8(0) + U8(0) + U16(0xFFFF) +
                            U16(0) + U32(0) + U16(3) + U8(0x1E) + U16(2));
}
QByteArray String8(const QString& text) { return Record(0x0207, Biff8Text(text, 2)); }
QByteArray String5(const QByteArray& bytes) { return Record(0x0207, U16(int(bytes.size())) + bytes); }
// A record of a kind the reader passes over, long enough to push the stream
// past the mini stream's cut-off.
QByteArray Filler(int bytes) { return Record(0x00EF, QByteArray(bytes, '\x11')); }

// A BIFF8 workbook of one sheet with these records, in its compound file.
QByteArray OneSheetBook(const QByteArray& cells, const QByteArray& globals = {}, bool big = false) {
  TBookSpec book;
  book.Globals = globals + (big ? Filler(5000) : QByteArray());
  book.Sheets = {{QStringLiteral("Sheet1"), 0, cells, {}}};
  return CompoundFile(QStringLiteral("Workbook"), Stream(book));
}

class XlsReadTest : public ::testing::Test {
 protected:
  ApplicationPtr App = NewApplication();
  testsupport::TempDir Dir;

  QString Write(const QByteArray& bytes, const QString& name = QStringLiteral("book.xls")) {
    const QString path = Dir.File(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    return path;
  }
  WorkbookPtr Open(const QByteArray& bytes) { return App->WorkBooks()->Open(Write(bytes)); }
};

QString Text(const WorksheetPtr& sheet, const QString& cell) {
  const QVariant v = sheet->Range(cell)->Value();
  return VarIsError(v) ? QStringLiteral("#ERR ") + v.value<TOleError>().Text : VarToStr(v);
}

struct TCellCase {
  const char* Cell;
  QString Text;
};

void ExpectTexts(const WorksheetPtr& sheet, std::initializer_list<TCellCase> cases) {
  for (const TCellCase& c : cases) {
    SCOPED_TRACE(c.Cell);
    EXPECT_EQ(Text(sheet, QString::fromLatin1(c.Cell)), c.Text);
  }
}

QString LongText() {
  QString s;
  for (int i = 0; i < 150; ++i)
    s += i % 3 == 0 ? QStringLiteral("Ж") : i % 3 == 1 ? QStringLiteral("é") : QStringLiteral("x");
  return s;
}

}  // namespace

TEST_F(XlsReadTest, EveryCellKindReadsAsTheSpreadsheetShowsIt) {
  const std::vector<QString> strings{QStringLiteral("plain"), QStringLiteral("Crêpe brûlée"),
                                     QStringLiteral("日本語 😀"), QStringLiteral(""), LongText()};
  QByteArray globals = Format8(164, QStringLiteral("dd/mm/yyyy hh:mm")) + Format8(165, QStringLiteral("0.0\"d\"")) +
                       Format8(166, QStringLiteral("#,##0.00\\ [$€-40C]"));
  for (int format : {0, 14, 22, 164, 165, 7, 166, 21}) globals += Xf(true, format);
  // Records of at most 37 bytes: every string, run list and phonetic block
  // is cut somewhere.
  globals += Sst(strings, 37, false, 2, 5);
  const QByteArray cells =
      LabelSst(0, 0, 0) + LabelSst(0, 1, 1) + LabelSst(0, 2, 2) + LabelSst(0, 3, 3) + LabelSst(0, 4, 4) +
      Number(1, 0, 0, 1234.5) + RkCell(1, 1, 0, 42) + RkCell(1, 2, 0, 1.25) + RkCell(1, 3, 0, 0.5) +
      Number(1, 4, 0, -3) + MulRk(1, 5, 0, {7, 8.5, -9}) + BoolErr(2, 0, 1, false) + BoolErr(2, 1, 0, false) +
      BoolErr(2, 2, 0x07, true) + BoolErr(2, 3, 0x2A, true) + FormulaNumber(3, 0, 0, 2) + FormulaOther(3, 1, 0) +
      String8(QStringLiteral("ab")) + FormulaOther(3, 2, 1, 1) + FormulaOther(3, 3, 2, 0x0F) + FormulaOther(3, 4, 3) +
      // A shared formula's record comes between the formula and its text.
      FormulaOther(3, 5, 0) + Record(0x04BC, QByteArray(10, '\0')) + String8(QStringLiteral("shared")) +
      // A text result split into a CONTINUE record, from UTF-16 to one byte
      // per character.
      FormulaOther(3, 6, 0) + Record(0x0207, U16(12) + U8(1) + QByteArray("a\0b\0c\0d\0e\0f\0", 12)) +
      Record(0x003C, U8(0) + QByteArray("ghijkl")) +
      // A formula's text without its STRING record reads empty.
      FormulaOther(3, 7, 0) + Number(3, 8, 0, 5) + Number(4, 0, 1, 45366) + Number(4, 1, 2, 45366.75) +
      Number(4, 2, 3, 45366.5) + Number(4, 3, 4, 2.5) + Number(4, 4, 7, 0.25) + FormulaNumber(4, 5, 1, 45367) +
      Number(5, 0, 5, 12.345678) + Number(5, 1, 6, 9.87654321) + Label8(5, 2, QStringLiteral("label é")) +
      RString8(5, 3, QStringLiteral("rich Ж"));
  WorkbookPtr book = Open(OneSheetBook(cells, globals));
  WorksheetPtr s = book->Sheets(1);
  EXPECT_EQ(s->UsedRange()->Address(), "$A$1:$I$6");
  ExpectTexts(s, {
                     {"A1", "plain"},
                     {"B1", "Crêpe brûlée"},
                     {"C1", "日本語 😀"},
                     {"D1", ""},
                     {"E1", LongText()},
                     {"A2", "1234.5"},
                     {"B2", "42"},
                     {"C2", "1.25"},  // RK: an integer divided by 100
                     {"D2", "0.5"},   // RK: the upper half of a double
                     {"E2", "-3"},
                     {"F2", "7"},
                     {"G2", "8.5"},
                     {"H2", "-9"},
                     {"A3", "True"},
                     {"B3", "False"},
                     {"C3", "#ERR #DIV/0!"},
                     {"D3", "#ERR #N/A"},
                     {"A4", "2"},  // formulas: their cached results
                     {"B4", "ab"},
                     {"C4", "True"},
                     {"D4", "#ERR #VALUE!"},
                     {"E4", ""},
                     {"F4", "shared"},
                     {"G4", "abcdefghijkl"},
                     {"H4", ""},
                     {"I4", "5"},
                     {"A5", "3/15/2024"},  // dates by their cell format
                     {"B5", "3/15/2024 6:00:00 PM"},
                     {"C5", "3/15/2024 12:00:00 PM"},
                     {"D5", "2.5"},  // a quoted "d" is no date
                     {"E5", "6:00:00 AM"},
                     {"F5", "3/16/2024"},
                     {"A6", "12.3457"},  // currency: four decimals
                     {"B6", "9.8765"},
                     {"C6", "label é"},
                     {"D6", "rich Ж"},
                 });
  const struct {
    const char* Cell;
    QMetaType Type;
  } kinds[] = {{"A2", QMetaType::fromType<double>()},    {"A3", QMetaType::fromType<bool>()},
               {"C3", QMetaType::fromType<TOleError>()}, {"C4", QMetaType::fromType<bool>()},
               {"A5", QMetaType::fromType<TOleDate>()},  {"A6", QMetaType::fromType<TOleCurrency>()},
               {"B4", QMetaType::fromType<QString>()},   {"E4", QMetaType::fromType<QString>()}};
  for (const auto& k : kinds) {
    SCOPED_TRACE(k.Cell);
    EXPECT_EQ(s->Range(QString::fromLatin1(k.Cell))->Value().metaType(), k.Type);
  }
}

TEST_F(XlsReadTest, SharedStringsSplitAnywhereReadWhole) {
  const std::vector<QString> strings{QString(),
                                     QStringLiteral("a"),
                                     QStringLiteral("Crêpe brûlée"),
                                     QStringLiteral("日本語"),
                                     QStringLiteral("😀😀 pairs"),
                                     QString(200, u'x'),
                                     LongText(),
                                     QStringLiteral("last")};
  const struct {
    int Limit;
    bool Wide;
    int Runs, Extra;
  } layouts[] = {{8224, false, 0, 0}, {8224, true, 3, 10}, {20, false, 0, 0}, {21, true, 0, 0},
                 {30, false, 3, 0},   {25, false, 0, 7},   {19, true, 2, 9},  {13, false, 1, 1}};
  for (const auto& l : layouts) {
    SCOPED_TRACE(QStringLiteral("limit %1 wide %2 runs %3 extra %4")
                     .arg(l.Limit)
                     .arg(l.Wide)
                     .arg(l.Runs)
                     .arg(l.Extra)
                     .toStdString());
    QByteArray cells;
    for (size_t i = 0; i < strings.size(); ++i) cells += LabelSst(int(i), 0, int(i));
    WorkbookPtr book = Open(OneSheetBook(cells, Sst(strings, l.Limit, l.Wide, l.Runs, l.Extra)));
    for (size_t i = 0; i < strings.size(); ++i)
      EXPECT_EQ(book->Sheets(1)->Range(CellAddress(int(i) + 1, 1))->Value().toString(), strings[i]) << i;
    book->Close(false);
  }
}

TEST_F(XlsReadTest, TheDateSystemOfTheWorkbookCounts) {
  const QByteArray globals = Xf(true, 0) + Xf(true, 14);
  const QByteArray cells = Number(0, 0, 1, 1) + Number(0, 1, 1, 59) + Number(0, 2, 1, 60) + Number(0, 3, 1, 61) +
                           Number(0, 4, 1, 0) + Number(0, 5, 1, -1);
  WorksheetPtr s1900 = Open(OneSheetBook(cells, globals))->Sheets(1);
  ExpectTexts(s1900, {{"A1", "1/1/1900"},
                      {"B1", "2/28/1900"},
                      {"C1", "2/28/1900"},  // the phantom 29 February
                      {"D1", "3/1/1900"},
                      {"E1", "12:00:00 AM"},
                      {"F1", "-1"}});
  WorksheetPtr s1904 = Open(OneSheetBook(cells, DateMode(true) + globals))->Sheets(1);
  ExpectTexts(s1904, {{"A1", "1/2/1904"}, {"C1", "3/1/1904"}, {"E1", "12:00:00 AM"}});
}

TEST_F(XlsReadTest, SheetsComeInOrderWithTheirKindsAndTheActiveOne) {
  // An embedded chart nests a substream of its own inside a worksheet: its
  // records are no cells of the sheet.
  const QByteArray chart = BofRecord(true, 0x0020) + Number(0, 0, 0, 99) + Record(0x000A, {});
  auto book = [&](const QByteArray& window) {
    TBookSpec spec;
    spec.Globals = window;
    spec.Sheets = {{QStringLiteral("Zeta"), 0, Label8(0, 0, QStringLiteral("z")) + chart + Number(1, 1, 0, 5), {}},
                   {QStringLiteral("Alpha"), 0, Label8(2, 2, QStringLiteral("a")), {}},
                   {QStringLiteral("Chart"), 2, {}, {}},
                   {QStringLiteral("Ü & <b>"), 0, {}, {}},
                   {QStringLiteral("Module"), 6, {}, {}}};
    return CompoundFile(QStringLiteral("Workbook"), Stream(spec));
  };
  const struct {
    QByteArray Window;
    QString Active;
  } cases[] = {{Window1(1), QStringLiteral("Alpha")},
               {Window1(0), QStringLiteral("Zeta")},
               {Window1(3), QStringLiteral("Ü & <b>")},
               {Window1(2), QStringLiteral("Chart")},
               {Window1(9), QStringLiteral("Zeta")},
               {QByteArray(), QStringLiteral("Zeta")},
               {Window1(1) + Window1(3), QStringLiteral("Alpha")}};  // the first window counts
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Active.toStdString());
    WorkbookPtr b = Open(book(c.Window));
    QStringList names, worksheets;
    for (int i = 1; i <= b->Sheets()->Count(); ++i) names << b->Sheets(i)->Name();
    for (int i = 1; i <= b->WorkSheets()->Count(); ++i) worksheets << b->WorkSheets()->item(i)->Name();
    EXPECT_EQ(names, (QStringList{"Zeta", "Alpha", "Chart", "Ü & <b>", "Module"}));
    EXPECT_EQ(worksheets, (QStringList{"Zeta", "Alpha", "Ü & <b>"}));
    EXPECT_EQ(b->ActiveSheet()->Name(), c.Active);
    EXPECT_EQ(b->Sheets(1)->UsedRange()->Address(), "$A$1:$B$2");
    EXPECT_EQ(Text(b->Sheets(1), "A1"), "z");
    EXPECT_EQ(Text(b->Sheets(1), "B2"), "5");
    EXPECT_EQ(b->Sheets(2)->UsedRange()->Address(), "$C$3");
    EXPECT_EQ(b->Sheets(4)->UsedRange()->Address(), "$A$1");
    EXPECT_THROW(b->Sheets(3)->UsedRange(), EOleException);  // a chart has no cells
    b->Close(false);
  }
}

TEST_F(XlsReadTest, Biff5TextsFollowTheCodePage) {
  const struct {
    int CodePage;  // 0: no CODEPAGE record
    QByteArray Bytes;
    QString Text;
  } cases[] = {
      {1252, "Cr\xEApe", QStringLiteral("Crêpe")},
      {0, "\xE9t\xE9", QStringLiteral("été")},  // Windows-1252 when the workbook names none
      {1251, "\xCF\xF0\xE8\xE2\xE5\xF2", QStringLiteral("Привет")},
      {1250,
       "\xC8"
       "esk\xE1",
       QStringLiteral("Česká")},
      {32768, "caf\x8E", QStringLiteral("café")},  // Macintosh Roman
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.CodePage);
    TBookSpec spec;
    spec.Biff8 = false;
    spec.Globals = (c.CodePage ? CodePage(c.CodePage) : QByteArray()) + Format5(164, "dd/mm/yyyy");
    for (int format : {0, 164}) spec.Globals += Xf(false, format);
    spec.Globals += Window1(0);
    spec.Sheets = {{QString(), 0,
                    Label5(0, 0, c.Bytes) + RString5(0, 1, c.Bytes) + FormulaOther(0, 2, 0) + String5(c.Bytes) +
                        RkCell(1, 0, 0, 2.5) + Number(1, 1, 1, 45366) + BoolErr(1, 2, 1, false) +
                        FormulaNumber(1, 3, 0, 7),
                    c.Bytes}};
    WorkbookPtr book = Open(CompoundFile(QStringLiteral("Book"), Stream(spec)));
    WorksheetPtr s = book->Sheets(1);
    EXPECT_EQ(s->Name(), c.Text);
    ExpectTexts(s, {{"A1", c.Text},
                    {"B1", c.Text},
                    {"C1", c.Text},
                    {"A2", "2.5"},
                    {"B2", "3/15/2024"},
                    {"C2", "True"},
                    {"D2", "7"}});
    book->Close(false);
  }
}

TEST_F(XlsReadTest, EveryLayoutOfTheCompoundFileReads) {
  auto stream = [](const QString& text, bool big) {
    return Stream({true, big ? Filler(6000) : QByteArray(), {{QStringLiteral("S"), 0, Label8(0, 0, text), {}}}});
  };
  const QByteArray small = stream(QStringLiteral("found"), false);
  const QByteArray big = stream(QStringLiteral("found"), true);
  ASSERT_LT(small.size(), 4096);
  ASSERT_GE(big.size(), 4096);
  const struct {
    const char* Name;
    TCompoundSpec Spec;
  } cases[] = {
      {"sectors of its own", {{{"Workbook", big}}, 9, 0}},
      {"in the mini stream", {{{"Workbook", small}}, 9, 0}},
      {"short, but in sectors of its own (no mini stream)", {{{"Workbook", small}}, 9, 0, true}},
      {"beside other streams",
       {{{"\x05SummaryInformation", QByteArray(300, 'i')}, {"Data", QByteArray(5000, 'd')}, {"Workbook", small}},
        9,
        0}},
      {"4096-byte sectors", {{{"Workbook", big}, {"Other", QByteArray(100, 'o')}}, 12, 0}},
      {"4096-byte sectors, mini stream", {{{"Workbook", small}}, 12, 0}},
      {"FAT sectors listed by index sectors", {{{"Workbook", big}}, 9, 300}},
      {"name in another case", {{{"WORKBOOK", small}}, 9, 0}},
      {"Excel 5 stream beside the Excel 97 one",
       {{{"Book", stream("not this one", false)}, {"Workbook", small}}, 9, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    WorkbookPtr book = Open(CompoundFile(c.Spec));
    EXPECT_EQ(Text(book->Sheets(1), "A1"), "found");
    book->Close(false);
  }
}

TEST_F(XlsReadTest, DamagedFilesFailWithTheirReasonAndLoadNothing) {
  QLoggingCategory::setFilterRules(QStringLiteral("tf.office.warning=false"));
  // The workbook stream takes sectors 0 to 11 (it is past the cut-off), the
  // directory and the FAT follow.
  const QByteArray cells = Label8(0, 0, QStringLiteral("a")) + Number(0, 1, 0, 1);
  const QByteArray good = OneSheetBook(cells, {}, true);
  const uint32_t dirSector = GetU32(good, 0x30);
  auto patched = [&](const std::function<void(QByteArray&)>& change) {
    QByteArray b = good;
    change(b);
    return b;
  };
  auto fat = [](QByteArray& b, uint32_t sector, uint32_t next) { SetU32(b, FatEntryOffset(b, sector), next); };
  // 250 FAT sectors: 109 in the header, the rest in two index sectors.
  TCompoundSpec indexed{{{"Workbook", Stream({true, Filler(6000), {{"S", 0, cells, {}}}})}}, 9, 250};
  const QByteArray withIndex = CompoundFile(indexed);
  const uint32_t index0 = GetU32(withIndex, 0x44);
  const qsizetype index0Next = (qsizetype(index0) + 1) * 512 + 508;
  // A short stream, whose sectors the mini stream's table chains.
  const QByteArray mini = OneSheetBook(cells + Label8(1, 0, QString(300, u'm')));
  const qsizetype miniFat = (qsizetype(GetU32(mini, 0x3C)) + 1) * 512;
  auto book = [&](const QByteArray& globals, const std::vector<TSheetSpec>& sheets) {
    TBookSpec spec;
    spec.Globals = globals;
    spec.Sheets = sheets;
    return CompoundFile(QStringLiteral("Workbook"), Stream(spec));
  };
  auto raw = [](const QByteArray& stream) { return CompoundFile(QStringLiteral("Workbook"), stream); };
  const QByteArray bof = BofRecord(true, 0x0005);
  const QByteArray eof = Record(0x000A, {});
  const TSheetSpec one{"S", 0, cells, {}};

  const struct {
    const char* Name;
    QByteArray File;
    const char* Reason;
  } cases[] = {
      // The container
      {"cut in half", good.left(good.size() / 2), "lies outside the file"},
      {"no compound file header", QByteArray::fromHex("D0CF11E0A1B11AE1") + QByteArray(600, 'x'), "byte order"},
      {"too short", QByteArray::fromHex("D0CF11E0A1B11AE1") + QByteArray(100, '\0'), "too short"},
      {"sector size", patched([](QByteArray& b) { b[0x1E] = 20; }), "sector size 2^20"},
      {"FAT count past the file", patched([](QByteArray& b) { SetU32(b, 0x2C, 0xFFFFFFFFu); }),
       "claims 4294967295 allocation sectors"},
      {"FAT sector outside the file", patched([](QByteArray& b) { SetU32(b, 0x4C, 0x00FFFFFFu); }),
       "allocation sector 16777215 lies outside the file"},
      {"stream chain leaves the table", patched([&](QByteArray& b) { fat(b, 1, 0x00ABCDEFu); }), "is broken"},
      {"stream chain meets a free sector", patched([&](QByteArray& b) { fat(b, 1, 0xFFFFFFFFu); }), "is broken"},
      {"stream chain loops", patched([&](QByteArray& b) { fat(b, 5, 2); }), "stream \"Workbook\" loops"},
      {"stream chain ends early", patched([&](QByteArray& b) { fat(b, 3, 0xFFFFFFFEu); }), "is cut short"},
      {"directory chain loops", patched([&](QByteArray& b) { fat(b, dirSector, dirSector); }), "directory loops"},
      {"stream size past the file", patched([](QByteArray& b) { SetU32(b, DirEntryOffset(b, 1) + 0x78, 0x7FFFFFFFu); }),
       "claims 2147483647 bytes, more than the whole file holds"},
      {"no root storage", patched([](QByteArray& b) { b[DirEntryOffset(b, 0) + 0x42] = 1; }), "no root storage"},
      {"index sectors loop",
       [&] {
         QByteArray b = withIndex;
         SetU32(b, index0Next, index0);
         return b;
       }(),
       "allocation index loops"},
      {"index sectors end early",
       [&] {
         QByteArray b = withIndex;
         SetU32(b, index0Next, 0xFFFFFFFEu);
         return b;
       }(),
       "allocation index ends after"},
      {"short-sector chain loops",
       [&] {
         QByteArray b = mini;
         SetU32(b, miniFat + 4 * 3, 1);
         return b;
       }(),
       "loops"},
      {"short sector past the mini stream",
       [&] {
         QByteArray b = mini;
         // The last sector of the stream's chain (0, 1, 2, ...) moved far out.
         const uint32_t sectors = (GetU32(b, DirEntryOffset(b, 1) + 0x78) + 63) / 64;
         SetU32(b, miniFat + 4 * (sectors - 2), 100);
         SetU32(b, miniFat + 4 * 100, 0xFFFFFFFEu);
         return b;
       }(),
       "leads to short sector 100, past the end of the mini stream"},
      {"short-sector chain leaves its table",
       [&] {
         QByteArray b = mini;
         SetU32(b, miniFat + 4 * 2, 5000);
         return b;
       }(),
       "is broken"},
      {"no workbook stream", CompoundFile(QStringLiteral("WordDocument"), QByteArray(5000, 'w')), "holds no workbook"},
      {"an encrypted package", CompoundFile(QStringLiteral("EncryptedPackage"), QByteArray(5000, 'e')),
       "protected by a password"},
      // The records
      {"a password to open", book(Record(0x002F, QByteArray(54, '\0')), {one}), "protected by a password"},
      {"Excel 4", raw(Record(0x0409, U16(0) + U16(0x10) + U16(0)) + eof), "Excel 2 to 4"},
      {"no BOF first", raw(Record(0x0042, U16(1252)) + bof + eof), "does not start with a BOF"},
      {"a worksheet first", raw(BofRecord(true, 0x0010) + eof), "does not start with the workbook globals"},
      {"globals without their end", raw(bof + CodePage(1200)), "ends inside the workbook globals"},
      {"a record past the end", raw(bof + CodePage(1200) + U16(0x0042) + U16(200) + "xx"), "ends inside a record"},
      {"a header cut", raw(bof + CodePage(1200) + "\x42"), "ends inside a record header"},
      {"sheet data past the end", raw(bof + Record(0x0085, U32(100000) + U8(0) + U8(0) + Biff8Text("S", 1)) + eof),
       "lie past the end"},
      {"sheet data elsewhere", raw(bof + Record(0x0085, U32(4) + U8(0) + U8(0) + Biff8Text("S", 1)) + eof),
       "are not where the workbook says"},
      {"two sheets share their data",
       [&] {
         QByteArray s = Stream({true, {}, {one, one}});
         // The second sheet's offset made the first one's.
         const qsizetype first = s.indexOf(QByteArray("\x85\x00", 2)) + 4;
         const qsizetype second = s.indexOf(QByteArray("\x85\x00", 2), first) + 4;
         SetU32(s, second, GetU32(s, first));
         return raw(s);
       }(),
       "overlap those of another sheet"},
      {"a sheet without its end",
       [&] {
         QByteArray s = Stream({true, {}, {one}});
         s.chop(4);
         return raw(s);
       }(),
       "end before the sheet's end record"},
      {"a shared string that is not there", book(Sst({"only"}), {{"S", 0, LabelSst(0, 0, 5), {}}}),
       "names shared string 5, but the workbook has 1"},
      {"shared strings cut short", book(Record(0x00FC, U32(1) + U32(1) + U16(40) + U8(0) + "short"), {one}),
       "the SST record at offset…is shorter than its contents"},
      {"a column past the last", book({}, {{"S", 0, Number(0, 20000, 0, 1), {}}}),
       "column 20001, past the last column"},
      {"a short number", book({}, {{"S", 0, Record(0x0203, Cell(0, 0, 0) + "\1\2"), {}}}),
       "the NUMBER record at offset…is shorter than its contents"},
      {"a MULRK whose columns disagree",
       book({}, {{"S", 0, Record(0x00BD, U16(0) + U16(0) + U16(0) + U32(2) + U16(7)), {}}}), "do not match"},
      {"a MULRK of a wrong size", book({}, {{"S", 0, Record(0x00BD, U16(0) + U16(0) + U16(0)), {}}}),
       "MULRK record of 6 bytes"},
      {"a text split inside a character",
       book({}, {{"S", 0, FormulaOther(0, 0, 0) + Record(0x0207, U16(3) + U8(1) + QByteArray("a\0b", 3)), {}}}),
       "the STRING record at offset…is split inside a character"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const QString message = MessageOf([&] { Open(c.File); });
    EXPECT_TRUE(message.startsWith(QStringLiteral("EOleException: Incorrect Excel file: "))) << message.toStdString();
    for (const QString& part : QString::fromUtf8(c.Reason).split(u'…'))  // "…": anything between
      EXPECT_TRUE(message.contains(part)) << message.toStdString();
    EXPECT_EQ(App->WorkBooks()->Count(), 0);
  }
  // The sound file and the same cut by one byte (its last FAT entries,
  // unused, missing) read.
  for (const QByteArray& b : {good, good.left(good.size() - 1), withIndex, mini}) {
    WorkbookPtr book = Open(b);
    EXPECT_EQ(Text(book->Sheets(1), "A1"), "a");
    book->Close(false);
  }
  QLoggingCategory::setFilterRules(QString());
}

namespace {

// Random workbooks and the values they hold, for the model test below.
struct TRandomBook {
  QByteArray File;
  std::vector<QString> Names;
  int Active = 0;
  std::vector<std::map<std::pair<int, int>, QVariant>> Cells;  // per sheet, (row, col) 1-based
};

QString RandomText(std::mt19937& random) {
  static const QString alphabets[] = {QStringLiteral("abcdefghij ,;\"'"), QStringLiteral("éèêëàçßøÆÿ"),
                                      QStringLiteral("абвгдежзий"), QStringLiteral("日本語中文한국어"),
                                      QStringLiteral("😀🎉🚀")};
  const int length = std::uniform_int_distribution<int>(0, 8)(random) == 0
                         ? std::uniform_int_distribution<int>(100, 400)(random)
                         : std::uniform_int_distribution<int>(0, 20)(random);
  const QString& alphabet = alphabets[std::uniform_int_distribution<int>(0, 4)(random)];
  QString text;
  while (text.size() < length) {
    const qsizetype at = std::uniform_int_distribution<qsizetype>(0, alphabet.size() - 1)(random);
    if (alphabet[at].isLowSurrogate()) continue;
    text += alphabet[at];
    if (alphabet[at].isHighSurrogate()) text += alphabet[at + 1];
  }
  return text;
}

TRandomBook RandomBook(std::mt19937& random) {
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
  static const struct {
    int Code;
    const char* Text;
  } errors[] = {{0x00, "#NULL!"}, {0x07, "#DIV/0!"}, {0x0F, "#VALUE!"}, {0x17, "#REF!"},
                {0x1D, "#NAME?"}, {0x24, "#NUM!"},   {0x2A, "#N/A"}};
  TRandomBook book;
  std::vector<QString> sst;
  for (int i = pick(0, 200); i > 0; --i) sst.push_back(RandomText(random));
  static const int limits[] = {13, 30, 100, 1000, 8224};
  TBookSpec spec;
  spec.Globals = Xf(true, 0) + Sst(sst, limits[pick(0, 4)], pick(0, 1) == 1, pick(0, 3), pick(0, 1) * pick(0, 10));
  const int sheets = pick(1, 4);
  book.Active = pick(0, sheets - 1);
  spec.Globals += Window1(book.Active);
  if (pick(0, 1)) spec.Globals += Filler(pick(3000, 9000));
  for (int s = 0; s < sheets; ++s) {
    book.Names.push_back(QStringLiteral("Sheet %1 ").arg(s + 1) + RandomText(random).left(10));
    std::map<std::pair<int, int>, QVariant> cells;
    std::vector<std::pair<std::pair<int, int>, QByteArray>> records;
    auto position = [&] {
      const bool far = pick(0, 20) == 0;
      return std::make_pair(far ? pick(0, 65535) : pick(0, 300), far ? pick(0, 255) : pick(0, 40));
    };
    for (int n = pick(0, 150); n > 0; --n) {
      const auto [row, col] = position();
      if (cells.count({row + 1, col + 1})) continue;
      QVariant value;
      QByteArray rec;
      switch (pick(0, 14)) {
        case 0: {
          const double v = std::uniform_real_distribution<double>(-1e12, 1e12)(random);
          rec = Number(row, col, 0, v), value = v;
          break;
        }
        case 1: {
          const int v = pick(-(1 << 29), (1 << 29) - 1);
          rec = RkCell(row, col, 0, v), value = double(v);
          break;
        }
        case 2: {
          // An integer of hundredths.
          const int v = pick(-100000, 100000);
          rec = Record(0x027E, Cell(row, col, 0) + U32(uint32_t(v) << 2 | 0x03)), value = v / 100.0;
          break;
        }
        case 3:
          if (sst.empty()) continue;
          {
            const int i = pick(0, int(sst.size()) - 1);
            rec = LabelSst(row, col, i), value = sst[size_t(i)];
          }
          break;
        case 4: {
          const QString t = RandomText(random);
          rec = Label8(row, col, t), value = t;
          break;
        }
        case 5: {
          const QString t = RandomText(random);
          rec = RString8(row, col, t), value = t;
          break;
        }
        case 6: rec = BoolErr(row, col, pick(0, 1), false), value = rec[10] != 0; break;
        case 7: {
          const auto& e = errors[pick(0, 6)];
          rec = BoolErr(row, col, e.Code, true), value = QVariant::fromValue(TOleError{QString::fromLatin1(e.Text)});
          break;
        }
        case 8: {
          const double v = std::uniform_real_distribution<double>(-1e6, 1e6)(random);
          rec = FormulaNumber(row, col, 0, v), value = v;
          break;
        }
        case 9: {
          const QString t = RandomText(random);
          rec = FormulaOther(row, col, 0) + (pick(0, 1) ? Record(0x04BC, QByteArray(12, '\0')) : QByteArray()) +
                String8(t);
          value = t;
          break;
        }
        case 10: {
          const int v = pick(0, 1);
          rec = FormulaOther(row, col, 1, v), value = v == 1;
          break;
        }
        case 11: {
          const auto& e = errors[pick(0, 6)];
          rec = FormulaOther(row, col, 2, e.Code), value = QVariant::fromValue(TOleError{QString::fromLatin1(e.Text)});
          break;
        }
        case 12: rec = FormulaOther(row, col, 3), value = QString(); break;
        case 13: {
          // A run of numbers in one MULRK record.
          const int count = pick(2, 6);
          if (col + count > 256) continue;
          bool free = true;
          for (int k = 0; k < count; ++k) free = free && !cells.count({row + 1, col + k + 1});
          if (!free) continue;
          std::vector<double> values;
          for (int k = 0; k < count; ++k) values.push_back(pick(-1000, 1000));
          for (int k = 1; k < count; ++k) cells[{row + 1, col + k + 1}] = values[size_t(k)];
          rec = MulRk(row, col, 0, values), value = values[0];
          break;
        }
        default:
          // A blank cell (formatting only) holds no value.
          records.push_back({{row, col}, Record(0x0201, Cell(row, col, 0))});
          continue;
      }
      cells[{row + 1, col + 1}] = value;
      records.push_back({{row, col}, rec});
    }
    // Files list their cells by row; the reader does not rely on it.
    if (pick(0, 3) == 0) std::shuffle(records.begin(), records.end(), random);
    else
      std::stable_sort(records.begin(), records.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QByteArray body;
    for (const auto& r : records) body += r.second;
    spec.Sheets.push_back({book.Names.back(), 0, body, {}});
    book.Cells.push_back(std::move(cells));
  }
  TCompoundSpec file;
  if (pick(0, 2) == 0)
    file.Streams.push_back({QStringLiteral("\x05SummaryInformation"), QByteArray(pick(10, 5000), 's')});
  file.Streams.push_back({QStringLiteral("Workbook"), Stream(spec)});
  file.SectorShift = pick(0, 3) == 0 ? 12 : 9;
  file.MinFatSectors = pick(0, 5) == 0 ? pick(100, 250) : 0;
  book.File = CompoundFile(file);
  return book;
}

bool SameValue(const QVariant& a, const QVariant& b) {
  if (a.metaType() != b.metaType()) return VarIsEmpty(a) && VarIsEmpty(b);
  if (VarIsError(a)) return a.value<TOleError>().Text == b.value<TOleError>().Text;
  if (a.metaType() == QMetaType::fromType<double>()) return a.toDouble() == b.toDouble();
  return a == b;
}

}  // namespace

TEST_F(XlsReadTest, RandomWorkbooksReadBackCellForCell) {
  // Every stored cell against the values the workbook was built from (the
  // reader's own result, so that far cells cost no array of the whole
  // sheet); every tenth workbook also through the automation objects.
  int cellsChecked = 0;
  for (unsigned seed = 1; seed <= 300; ++seed) {
    SCOPED_TRACE(QStringLiteral("seed %1").arg(seed).toStdString());
    std::mt19937 random(seed);
    const TRandomBook expected = RandomBook(random);
    const detail::TXlsBook read = detail::ReadXlsBytes(expected.File);
    ASSERT_EQ(read.Sheets.size(), expected.Names.size());
    EXPECT_EQ(read.ActiveTab, expected.Active);
    for (size_t s = 0; s < expected.Names.size(); ++s) {
      EXPECT_EQ(read.Sheets[s].Name, expected.Names[s]);
      std::map<std::pair<int, int>, QVariant> got;
      int previousRow = 0;
      for (const detail::TRow& row : read.Sheets[s].Store.Loaded) {
        EXPECT_GT(row.Row, previousRow) << "rows out of order";
        previousRow = row.Row;
        int previousCol = 0;
        for (const detail::TCell& cell : row.Cells) {
          EXPECT_GT(cell.Col, previousCol) << "cells out of order";
          previousCol = cell.Col;
          got[{row.Row, cell.Col}] = cell.Value;
        }
      }
      const auto& want = expected.Cells[s];
      ASSERT_EQ(got.size(), want.size()) << "sheet " << s;
      for (const auto& [at, value] : want) {
        const auto it = got.find(at);
        ASSERT_TRUE(it != got.end()) << "sheet " << s << " " << CellAddress(at.first, at.second).toStdString();
        if (!SameValue(it->second, value)) {
          ADD_FAILURE()
              << "sheet " << s << " " << CellAddress(at.first, at.second).toStdString() << ": got "
              << (VarIsError(it->second) ? it->second.value<TOleError>().Text : VarToStr(it->second)).toStdString()
              << ", want " << (VarIsError(value) ? value.value<TOleError>().Text : VarToStr(value)).toStdString();
          return;
        }
        ++cellsChecked;
      }
    }
    if (seed % 10 == 0) {
      WorkbookPtr book = Open(expected.File);
      EXPECT_EQ(book->ActiveSheet()->Name(), expected.Names[size_t(expected.Active)]);
      for (size_t s = 0; s < expected.Names.size(); ++s)
        for (const auto& [at, value] : expected.Cells[s])
          ASSERT_TRUE(SameValue(book->Sheets(int(s) + 1)->Rows()->Cells(at.first, at.second)->Value(), value));
      book->Close(false);
    }
  }
  EXPECT_GT(cellsChecked, 50000);
}

TEST_F(XlsReadTest, WorkbooksLibreOfficeWroteMatchItsOwnCsv) {
  const QDir fixtures(QStringLiteral(TF_XLS_FIXTURES_DIR));
  const struct {
    const char* File;
    QStringList Sheets;
    QString Active;
    int Cells;  // that hold a value on either side
  } cases[] = {
      {"values.xls", {"Values", "Second", "Third"}, "Second", 56},
      {"dates1904.xls", {"Dates"}, "Dates", 4},
      {"many.xls", {"Many"}, "Many", 2000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.File);
    WorkbookPtr book = App->WorkBooks()->Open(fixtures.filePath(QString::fromLatin1(c.File)));
    QStringList names;
    for (int i = 1; i <= book->Sheets()->Count(); ++i) names << book->Sheets(i)->Name();
    EXPECT_EQ(names, c.Sheets);
    EXPECT_EQ(book->ActiveSheet()->Name(), c.Active);
    int filled = 0;
    for (int i = 1; i <= book->Sheets()->Count(); ++i) {
      const QString csv = fixtures.filePath(QFileInfo(QString::fromLatin1(c.File)).completeBaseName() + u'-' +
                                            book->Sheets(i)->Name() + QStringLiteral(".csv"));
      QFile f(csv);
      ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << csv.toStdString();
      filled +=
          officetest::ExpectSheetMatchesCsv(book->Sheets(i), officetest::ParseCsv(QString::fromUtf8(f.readAll())));
    }
    EXPECT_EQ(filled, c.Cells);
  }
  // The kinds behind the texts: a formula's number, text, boolean and error,
  // a boolean, currency, a percentage (a number) and dates.
  WorksheetPtr values = App->WorkBooks()->Open(fixtures.filePath(QStringLiteral("values.xls")))->Sheets(1);
  const struct {
    const char* Cell;
    QMetaType Type;
  } kinds[] = {{"B4", QMetaType::fromType<double>()},       {"C4", QMetaType::fromType<QString>()},
               {"E4", QMetaType::fromType<bool>()},         {"G4", QMetaType::fromType<TOleError>()},
               {"I4", QMetaType::fromType<QString>()},      {"B5", QMetaType::fromType<bool>()},
               {"D5", QMetaType::fromType<TOleCurrency>()}, {"E5", QMetaType::fromType<double>()},
               {"F5", QMetaType::fromType<TOleDate>()},     {"H5", QMetaType::fromType<TOleDate>()},
               {"I5", QMetaType::fromType<TOleDate>()}};
  for (const auto& k : kinds) {
    SCOPED_TRACE(k.Cell);
    EXPECT_EQ(values->Range(QString::fromLatin1(k.Cell))->Value().metaType(), k.Type);
  }
  EXPECT_EQ(values->Range("D4")->Value().toString(), QString(300, u'é'));
}
