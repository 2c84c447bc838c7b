// The workbook reader of the office layer: an .xlsx package (zip container,
// content types, relationships, workbook, shared strings, styles and sheet
// parts through libxml2's reader) or a legacy .xls file (the office layer's
// compound-file and BIFF reader; the xls target fuzzes it on its own), opened
// as the grid opens a workbook a user picked; every sheet read, one cell
// written and the workbook saved into a copy, which must then read back.
//
// Input: a whole file when it starts as a zip ("PK\3\4") or a compound
// document (D0 CF 11 E0) does; otherwise the parts of a package, each as its
// name, a NUL, its bytes and a NUL, which the target zips first, so that the
// fuzzer's changes reach the XML parsers instead of failing the zip checks.

#include <QDir>
#include <QFile>
#include <QList>
#include <QPair>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>
#include <zip.h>

#include "fuzz/support/FuzzSupport.h"
#include "platform/office/Excel.h"
#include "platform/office/OleVariants.h"

using namespace Excel;

namespace {

std::unique_ptr<QTemporaryDir> gFolder;
QString gInput;
QString gCopy;

// The largest range the target reads at once: a sheet may claim cells up
// to XFD1048576, whose values would take gigabytes as one array; the reader
// is exercised as fully by a corner of it.
constexpr int MaxReadCells = 20000;

bool StartsWith(const uint8_t* Data, size_t Size, const char* Magic, size_t Length) {
  return Size >= Length && std::memcmp(Data, Magic, Length) == 0;
}

// The parts of the input zipped (stored, not compressed) into Path; false
// when the input names no part.
bool WriteParts(const uint8_t* Data, size_t Size, const QString& Path) {
  QFile::remove(Path);
  int error = 0;
  zip_t* archive = zip_open(QFile::encodeName(Path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (!archive) return false;
  std::vector<QByteArray> kept;  // zip_source_buffer keeps pointers until zip_close
  size_t at = 0;
  int parts = 0;
  while (at < Size) {
    const uint8_t* nameEnd = static_cast<const uint8_t*>(std::memchr(Data + at, 0, Size - at));
    if (!nameEnd) break;
    const QByteArray name(reinterpret_cast<const char*>(Data + at), nameEnd - (Data + at));
    at = nameEnd - Data + 1;
    const uint8_t* bodyEnd = static_cast<const uint8_t*>(std::memchr(Data + at, 0, Size - at));
    const size_t bodySize = bodyEnd ? size_t(bodyEnd - (Data + at)) : Size - at;
    kept.push_back(fuzz::Bytes(Data + at, bodySize));
    at += bodySize + 1;
    if (name.isEmpty()) continue;
    zip_source_t* source = zip_source_buffer(archive, kept.back().constData(), kept.back().size(), 0);
    if (!source) continue;
    const zip_int64_t index = zip_file_add(archive, name.constData(), source, ZIP_FL_OVERWRITE);
    if (index < 0) {
      zip_source_free(source);
      continue;
    }
    zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0);
    ++parts;
  }
  if (zip_close(archive) != 0) {
    zip_discard(archive);
    return false;
  }
  return parts > 0;
}

// Every value of the sheet's used range (or of its first MaxReadCells).
void ReadSheet(const WorksheetPtr& Sheet) {
  Sheet->Name();
  RangePtr used = Sheet->UsedRange();
  TCellRect rect = ParseRange(used->Address());
  if (qint64(rect.RowCount()) * rect.ColCount() > MaxReadCells) {
    rect.Row2 = rect.Row1 + std::min(rect.RowCount(), 100) - 1;
    rect.Col2 = rect.Col1 + std::min(rect.ColCount(), 100) - 1;
  }
  const QVariant value = Sheet->Range(RangeAddress(rect))->Value();
  if (VarIsArray(value)) {
    const TVarArray a = value.value<TVarArray>();
    for (int r = a.LowRow(); r <= a.HighRow(); ++r)
      for (int c = a.LowCol(); c <= a.HighCol(); ++c)
        if (!VarIsError(a.At(r, c))) VarToStr(a.At(r, c));
  } else if (!VarIsError(value)) {
    VarToStr(value);
  }
}


// The seeds: a workbook of the layer's own writer (a whole file), and the
// parts of packages as other programs write them (shared strings with runs,
// number formats of dates and currency, booleans, errors, formulas with
// their cached values, inline strings, the 1904 date system, a chart sheet),
// after the fixtures of the office layer's reading tests.
using TParts = std::vector<std::pair<QByteArray, QByteArray>>;

QByteArray Serialise(const TParts& Parts) {
  QByteArray out;
  for (const auto& [name, body] : Parts) out += name + '\0' + body + '\0';
  return out;
}

const QByteArray kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const QByteArray kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

TParts Package(const QList<QPair<QByteArray, QByteArray>>& Sheets, const QByteArray& SharedStrings,
               const QByteArray& NumFmts, const QByteArray& CellXfs, bool Date1904, bool Chart) {
  TParts parts;
  QByteArray types =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types "
      "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
      "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
      "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
      "<Override PartName=\"/xl/workbook.xml\" "
      "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>";
  QByteArray rels =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
      "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
      "<Relationship Id=\"rIdS\" Type=\"" + kRel + "/styles\" Target=\"styles.xml\"/>";
  QByteArray book = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><workbook xmlns=\"" + kMain + "\" xmlns:r=\"" +
                    kRel + "\">";
  if (Date1904) book += "<workbookPr date1904=\"1\"/>";
  book += "<bookViews><workbookView activeTab=\"0\"/></bookViews><sheets>";
  for (qsizetype i = 0; i < Sheets.size(); ++i) {
    const QByteArray n = QByteArray::number(i + 1);
    book += "<sheet name=\"" + Sheets[i].first + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
    rels += "<Relationship Id=\"rId" + n + "\" Type=\"" + kRel + "/worksheet\" Target=\"worksheets/sheet" + n +
            ".xml\"/>";
    types += "<Override PartName=\"/xl/worksheets/sheet" + n +
             ".xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>";
    parts.push_back({"xl/worksheets/sheet" + n + ".xml",
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet xmlns=\"" + kMain + "\"><sheetData>" +
                         Sheets[i].second + "</sheetData></worksheet>"});
  }
  if (Chart) {
    book += "<sheet name=\"Chart\" sheetId=\"99\" r:id=\"rIdC\"/>";
    rels += "<Relationship Id=\"rIdC\" Type=\"" + kRel + "/chartsheet\" Target=\"chartsheets/sheet1.xml\"/>";
    parts.push_back({"xl/chartsheets/sheet1.xml", "<chartsheet xmlns=\"" + kMain + "\"/>"});
  }
  book += "</sheets></workbook>";
  if (!SharedStrings.isNull()) {
    rels += "<Relationship Id=\"rIdSS\" Type=\"" + kRel + "/sharedStrings\" Target=\"sharedStrings.xml\"/>";
    parts.push_back({"xl/sharedStrings.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><sst xmlns=\"" + kMain +
                                                 "\">" + SharedStrings + "</sst>"});
  }
  parts.push_back({"xl/styles.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><styleSheet xmlns=\"" + kMain +
                                        "\"><numFmts>" + NumFmts + "</numFmts><cellXfs>" + CellXfs +
                                        "</cellXfs></styleSheet>"});
  rels += "</Relationships>";
  types += "</Types>";
  parts.push_back({"[Content_Types].xml", types});
  parts.push_back({"_rels/.rels",
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
                   "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
                   "Type=\"" + kRel + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"});
  parts.push_back({"xl/workbook.xml", book});
  parts.push_back({"xl/_rels/workbook.xml.rels", rels});
  return parts;
}

void WriteSeeds(const QString& AFolder) {
  {
    const QString file = gFolder->filePath(QStringLiteral("written.xlsx"));
    ApplicationPtr app = NewApplication();
    WorkbookPtr book = app->WorkBooks()->Add();
    TVarArray values(3, 3);
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) values.Set(r, c, QStringLiteral("cell %1 %2 \u00e9").arg(r).arg(c));
    book->Sheets(1)->Range(QStringLiteral("A1:C3"))->SetValue(QVariant::fromValue(values));
    book->WorkSheets()->Add()->Range(QStringLiteral("C3"))->SetValue(QStringLiteral("second"));
    book->SaveAs(file);
    app->Quit();
    QFile in(file);
    fuzz::Check(in.open(QIODevice::ReadOnly), "cannot read the written workbook");
    fuzz::WriteSeed(AFolder, QStringLiteral("written.xlsx"), in.readAll());
  }
  fuzz::WriteSeed(
      AFolder, QStringLiteral("kinds.parts"),
      Serialise(Package(
          {{"One",
            "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" s=\"1\"><v>45000</v></c>"
            "<c r=\"C1\" s=\"2\"><v>1.23456</v></c><c r=\"D1\" t=\"b\"><v>1</v></c></row>"
            "<row r=\"3\"><c r=\"A3\" t=\"s\"><v>1</v></c><c r=\"B3\"><f>A1</f><v>7</v></c>"
            "<c r=\"C3\" t=\"e\"><v>#N/A</v></c><c r=\"D3\" t=\"str\"><f>A1</f><v>a_x000D_b</v></c></row>"},
           {"Two", "<row r=\"2\"><c r=\"B2\" t=\"inlineStr\"><is><t>x</t></is></c></row>"}},
          "<si><t>a</t></si><si><r><t>b</t></r><r><t xml:space=\"preserve\"> c</t></r></si>",
          "<numFmt numFmtId=\"164\" formatCode=\"dd/mm/yyyy\"/><numFmt numFmtId=\"165\" "
          "formatCode=\"#,##0.00 &quot;\u20ac&quot;\"/>",
          "<xf numFmtId=\"0\"/><xf numFmtId=\"164\"/><xf numFmtId=\"165\"/>", false, false)));
  fuzz::WriteSeed(
      AFolder, QStringLiteral("date1904-chart.parts"),
      Serialise(Package({{"Dates",
                          "<row r=\"1\"><c r=\"A1\" s=\"1\"><v>0.5</v></c><c r=\"B1\" s=\"1\"><v>60</v></c>"
                          "<c r=\"C1\" s=\"1\"><v>-1</v></c></row><row r=\"1048576\"><c r=\"XFD1048576\">"
                          "<v>1E308</v></c></row>"}},
                        QByteArray(), QByteArray(), "<xf numFmtId=\"0\"/><xf numFmtId=\"14\"/>", true, true)));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::QuietMessages();
  fuzz::StartCoreApplication();
  // Files of a memory-backed folder where there is one: a file per input.
  const QString shm = QStringLiteral("/dev/shm");
  gFolder = std::make_unique<QTemporaryDir>(QDir(shm).exists() ? shm + QStringLiteral("/tf-fuzz-XXXXXX")
                                                               : QString());
  if (!gFolder->isValid()) fuzz::Check(false, "no temporary folder");
  gInput = gFolder->filePath(QStringLiteral("input.xlsx"));
  gCopy = gFolder->filePath(QStringLiteral("copy.xlsx"));
  fuzz::WriteSeedsWhenAsked(*argc, *argv, WriteSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const bool whole = StartsWith(Data, Size, "PK\3\4", 4) || StartsWith(Data, Size, "\xD0\xCF\x11\xE0", 4);
  if (whole) {
    QFile file(gInput);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    file.write(reinterpret_cast<const char*>(Data), qint64(Size));
  } else if (!WriteParts(Data, Size, gInput)) {
    return 0;
  }

  bool saved = false;
  bool readable = false;  // the cells of the first worksheet read
  ApplicationPtr app = NewApplication();
  fuzz::Refusable([&] {
    WorkbookPtr book = app->WorkBooks()->Open(gInput);
    const int count = book->Sheets()->Count();
    for (int i = 1; i <= count; ++i) fuzz::Refusable([&] { ReadSheet(book->Sheets(i)); });
    WorksheetPtr first = book->WorkSheets()->item(1);
    fuzz::Refusable([&] {
      first->Range(QStringLiteral("A1"))->Value();
      readable = true;
    });
    // The cell is written and saved even where the sheet's cells could not
    // be read (a damaged styles part): the save copies what it cannot read.
    first->Range(QStringLiteral("B2"))->SetValue(QStringLiteral("written"));
    QFile::remove(gCopy);
    book->SaveAs(gCopy);
    saved = true;
  });
  app->Quit();
  if (!saved) return 0;

  // What was saved opens again; where the first worksheet's cells read
  // before, they read now, the written cell with them.
  ApplicationPtr again = NewApplication();
  WorkbookPtr copy;
  try {
    copy = again->WorkBooks()->Open(gCopy);
  } catch (const Exception& e) {
    std::fprintf(stderr, "reopening the saved copy: %s\n", qPrintable(e.Message()));
    fuzz::Check(false, "a workbook saved without complaint does not open again");
  }
  if (readable) {
    QVariant back;
    try {
      back = copy->WorkSheets()->item(1)->Range(QStringLiteral("B2"))->Value();
    } catch (const Exception& e) {
      std::fprintf(stderr, "reading the saved copy: %s\n", qPrintable(e.Message()));
      fuzz::Check(false, "the saved copy's first worksheet does not read");
    }
    fuzz::Check(VarToStr(back) == QStringLiteral("written"), "the written cell did not read back");
  }
  again->Quit();
  return 0;
}
