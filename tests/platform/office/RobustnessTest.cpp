// Damaged workbooks: 1,000 variants of two real packages, with bytes flipped
// or cut in the zip file itself or inside one of its XML parts (re-zipped so
// that the damage reaches the parser), and 1,500 of three legacy .xls files.
// Each one opens and reads, or fails with an exception; none crashes or
// hangs.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <random>

#include "platform/office/Excel.h"
#include "tests/platform/office/OfficeTestSupport.h"
#include "tests/platform/office/XlsBuilder.h"
#include "tests/support/TestSupport.h"

using namespace Excel;
using namespace officetest;

namespace {

QByteArray Damage(QByteArray bytes, std::mt19937& random) {
  if (bytes.isEmpty()) return bytes;
  std::uniform_int_distribution<int> kind(0, 3);
  auto at = [&] { return std::uniform_int_distribution<qsizetype>(0, bytes.size() - 1)(random); };
  switch (kind(random)) {
    case 0:  // flip a few bytes
      for (int i = std::uniform_int_distribution<int>(1, 8)(random); i > 0; --i)
        bytes[at()] = char(std::uniform_int_distribution<int>(0, 255)(random));
      break;
    case 1:  // cut
      bytes.truncate(at());
      break;
    case 2: {  // drop a stretch
      const qsizetype from = at();
      bytes.remove(from, std::uniform_int_distribution<qsizetype>(1, 64)(random));
      break;
    }
    default: {  // repeat a stretch
      const qsizetype from = at();
      const QByteArray piece = bytes.mid(from, std::uniform_int_distribution<qsizetype>(1, 200)(random));
      bytes.insert(at(), piece.repeated(std::uniform_int_distribution<int>(1, 20)(random)));
      break;
    }
  }
  return bytes;
}

// Opens and reads every sheet, and saves one written cell into a copy.
void Exercise(const QString& file, const QString& copy) {
  ApplicationPtr app = NewApplication();
  try {
    WorkbookPtr book = app->WorkBooks()->Open(file);
    for (int i = 1; i <= book->Sheets()->Count(); ++i) {
      WorksheetPtr sheet = book->Sheets(i);
      sheet->Name();
      try {
        RangePtr used = sheet->UsedRange();
        const QVariant v = sheet->Range(used->Address())->Value();
        if (VarIsArray(v)) {
          const TVarArray a = v.value<TVarArray>();
          for (int r = a.LowRow(); r <= a.HighRow(); ++r)
            for (int c = a.LowCol(); c <= a.HighCol(); ++c)
              if (!VarIsError(a.At(r, c))) VarToStr(a.At(r, c));
        }
      } catch (const Exception&) {
      }
    }
    book->Sheets(1)->Range("B2")->SetValue(QStringLiteral("written"));
    book->SaveAs(copy);
  } catch (const Exception&) {
  }
}

}  // namespace

TEST(ExcelRobustness, DamagedPackagesLoadOrFailCleanly) {
  QLoggingCategory::setFilterRules(QStringLiteral("tf.office.warning=false"));
  testsupport::TempDir dir;
  // A package from the writer (inline strings) and one with shared strings,
  // styles and several sheets.
  const QString written = dir.File(QStringLiteral("written.xlsx"));
  {
    ApplicationPtr app = NewApplication();
    WorkbookPtr book = app->WorkBooks()->Add();
    TVarArray values(20, 6);
    for (int r = 0; r < 20; ++r)
      for (int c = 0; c < 6; ++c) values.Set(r, c, QStringLiteral("cell %1 %2 é").arg(r).arg(c));
    book->Sheets(1)->Range("A1:F20")->SetValue(QVariant::fromValue(values));
    book->WorkSheets()->Add()->Range("C3")->SetValue(QStringLiteral("second"));
    book->SaveAs(written);
  }
  TWorkbookSpec spec;
  spec.SharedStrings = "<si><t>a</t></si><si><r><t>b</t></r><r><t>c</t></r></si>";
  spec.NumFmts = "<numFmt numFmtId=\"164\" formatCode=\"dd/mm/yyyy\"/>";
  spec.CellXfs = "<xf numFmtId=\"0\"/><xf numFmtId=\"164\"/><xf numFmtId=\"7\"/>";
  spec.Sheets = {{"One",
                  "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" s=\"1\"><v>45000</v></c>"
                  "<c r=\"C1\" s=\"2\"><v>1.23456</v></c><c r=\"D1\" t=\"b\"><v>1</v></c></row>"
                  "<row r=\"3\"><c r=\"A3\" t=\"s\"><v>1</v></c><c r=\"B3\"><f>A1</f><v>7</v></c>"
                  "<c r=\"C3\" t=\"e\"><v>#N/A</v></c></row>"},
                 {"Two", "<row r=\"2\"><c r=\"B2\" t=\"inlineStr\"><is><t>x</t></is></c></row>"}};
  const TParts handmade = WorkbookParts(spec);
  const QString handmadeFile = dir.File(QStringLiteral("handmade.xlsx"));
  WritePackage(handmadeFile, handmade);

  std::mt19937 random(20240611);
  const QString damaged = dir.File(QStringLiteral("damaged.xlsx"));
  const QString copy = dir.File(QStringLiteral("copy.xlsx"));
  QElapsedTimer total;
  total.start();
  qint64 slowest = 0;
  int opened = 0;
  for (int i = 0; i < 1000; ++i) {
    const bool useWritten = i % 2 == 0;
    if (i % 4 < 2) {
      // Damage the zip file itself.
      QFile in(useWritten ? written : handmadeFile);
      ASSERT_TRUE(in.open(QIODevice::ReadOnly));
      QFile out(damaged);
      ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
      out.write(Damage(in.readAll(), random));
    } else {
      // Damage one XML part and zip it again.
      TParts parts = useWritten ? ReadPackage(written) : handmade;
      auto it = parts.begin();
      std::advance(it, std::uniform_int_distribution<size_t>(0, parts.size() - 1)(random));
      it->second = Damage(it->second, random);
      WritePackage(damaged, parts);
    }
    QElapsedTimer one;
    one.start();
    Exercise(damaged, copy);
    slowest = std::max(slowest, one.elapsed());
    try {
      NewApplication()->WorkBooks()->Open(damaged);
      ++opened;
    } catch (const Exception&) {
    }
  }
  // Some variants still open (damage in a part that is not read), many do not.
  EXPECT_GT(opened, 50);
  EXPECT_LT(opened, 1000);
  EXPECT_LT(slowest, 5000) << "one damaged file took " << slowest << " ms";
  EXPECT_LT(total.elapsed(), 120000);
  QLoggingCategory::setFilterRules(QString());
}

TEST(ExcelRobustness, DamagedLegacyWorkbooksLoadOrFailWithTheReason) {
  QLoggingCategory::setFilterRules(QStringLiteral("tf.office.warning=false"));
  testsupport::TempDir dir;
  // Two workbooks LibreOffice wrote (the workbook stream in the mini stream
  // and in sectors of its own) and one of shared strings split over many
  // CONTINUE records.
  std::vector<QByteArray> sources;
  for (const char* name : {"values.xls", "many.xls"}) {
    QFile f(QStringLiteral(TF_XLS_FIXTURES_DIR "/") + QString::fromLatin1(name));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    sources.push_back(f.readAll());
  }
  {
    using namespace xlstest;
    std::vector<QString> strings;
    QByteArray cells;
    for (int i = 0; i < 40; ++i) {
      strings.push_back(QStringLiteral("string %1 é Ж 😀").arg(i).repeated(i % 7 + 1));
      cells += Record(0x00FD, Cell(i, i % 5, 0) + U32(uint32_t(i)));
    }
    TBookSpec spec;
    spec.Globals = Sst(strings, 50, false, 2, 3);
    spec.Sheets = {{QStringLiteral("S"), 0, cells, {}}};
    sources.push_back(CompoundFile(QStringLiteral("Workbook"), Stream(spec)));
  }
  std::mt19937 random(20240612);
  const QString damaged = dir.File(QStringLiteral("damaged.xls"));
  int opened = 0, refused = 0;
  for (int i = 0; i < 1500; ++i) {
    {
      QFile out(damaged);
      ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
      out.write(Damage(sources[size_t(i) % sources.size()], random));
    }
    ApplicationPtr app = NewApplication();
    try {
      WorkbookPtr book = app->WorkBooks()->Open(damaged);
      ++opened;
      // Everything was read when it opened: every sheet's cells read now (a
      // corner of 200 x 200 of them: damage can put a cell far out).
      for (int s = 1; s <= book->WorkSheets()->Count(); ++s) {
        WorksheetPtr sheet = book->WorkSheets()->item(s);
        TCellRect rect = ParseRange(sheet->UsedRange()->Address());
        rect.Row2 = std::min(rect.Row2, rect.Row1 + 199);
        rect.Col2 = std::min(rect.Col2, rect.Col1 + 199);
        const QVariant v = sheet->Range(RangeAddress(rect))->Value();
        if (VarIsArray(v)) {
          const TVarArray a = v.value<TVarArray>();
          for (int r = a.LowRow(); r <= a.HighRow(); ++r)
            for (int c = a.LowCol(); c <= a.HighCol(); ++c)
              if (!VarIsError(a.At(r, c))) VarToStr(a.At(r, c));
        }
      }
    } catch (const EOleException& e) {
      // A damaged file: "Incorrect Excel file", with the reason when the
      // file still starts as a compound file.
      ++refused;
      EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Incorrect Excel file")))
          << i << ": " << e.Message().toStdString();
    }
    EXPECT_LE(app->WorkBooks()->Count(), 1);
  }
  // Damage in the unread parts of a file (summary streams, unused records)
  // leaves it readable; most damage does not.
  EXPECT_GT(opened, 50);
  EXPECT_GT(refused, 50);
  QLoggingCategory::setFilterRules(QString());
}
