#include "tests/platform/office/OfficeTestSupport.h"

#include <gtest/gtest.h>
#include <zip.h>

#include "platform/office/XlsxPackage.h"

namespace officetest {

void WritePackage(const QString& path, const TParts& parts) {
  Excel::detail::TZipArchive zip;
  QString error;
  ASSERT_TRUE(zip.Create(path, error)) << error.toStdString();
  for (const auto& [name, data] : parts) zip.Put(name, data);
  zip.Commit();
}

TParts ReadPackage(const QString& path) {
  TParts parts;
  Excel::detail::TZipArchive zip;
  QString error;
  EXPECT_TRUE(zip.OpenRead(path, error)) << error.toStdString();
  if (!zip.IsOpen()) return parts;
  const zip_int64_t n = zip_get_num_entries(zip.Handle(), 0);
  for (zip_int64_t i = 0; i < n; ++i) {
    const QString name = QString::fromUtf8(zip_get_name(zip.Handle(), zip_uint64_t(i), 0));
    parts[name] = zip.Read(name);
  }
  return parts;
}

TParts WorkbookParts(const TWorkbookSpec& spec) {
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
      "<Relationship Id=\"rIdS\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
      "Target=\"styles.xml\"/>";
  QByteArray book =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><workbook "
      "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
      "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">";
  if (spec.Date1904) book += "<workbookPr date1904=\"1\"/>";
  book += "<bookViews><workbookView activeTab=\"" + QByteArray::number(spec.ActiveTab) + "\"/></bookViews><sheets>";
  for (size_t i = 0; i < spec.Sheets.size(); ++i) {
    const QByteArray n = QByteArray::number(qulonglong(i + 1));
    book += "<sheet name=\"" + spec.Sheets[i].first.toHtmlEscaped().toUtf8() + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
    rels += "<Relationship Id=\"rId" + n +
            "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
            "Target=\"worksheets/sheet" + n + ".xml\"/>";
    types += "<Override PartName=\"/xl/worksheets/sheet" + n +
             ".xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>";
    parts["xl/worksheets/sheet" + QString::number(i + 1) + ".xml"] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet "
        "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>" +
        spec.Sheets[i].second + "</sheetData></worksheet>";
  }
  book += "</sheets></workbook>";
  if (!spec.SharedStrings.isNull()) {
    rels += "<Relationship Id=\"rIdSS\" "
            "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\" "
            "Target=\"sharedStrings.xml\"/>";
    parts["xl/sharedStrings.xml"] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" +
        spec.SharedStrings + "</sst>";
  }
  parts["xl/styles.xml"] =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><styleSheet "
      "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><numFmts>" +
      spec.NumFmts + "</numFmts><cellStyleXfs><xf numFmtId=\"14\"/></cellStyleXfs><cellXfs>" + spec.CellXfs +
      "</cellXfs></styleSheet>";
  rels += "</Relationships>";
  types += "</Types>";
  parts["[Content_Types].xml"] = types;
  parts["_rels/.rels"] =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
      "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
      "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
      "Target=\"xl/workbook.xml\"/></Relationships>";
  parts["xl/workbook.xml"] = book;
  parts["xl/_rels/workbook.xml.rels"] = rels;
  return parts;
}

QStringList SheetTexts(const Excel::WorksheetPtr& sheet) {
  QStringList rows;
  Excel::RangePtr used = sheet->UsedRange();
  const QVariant value = sheet->Range(used->Address())->Value();
  if (!VarIsArray(value)) return {VarIsError(value) ? QStringLiteral("#ERR") : VarToStr(value)};
  const TVarArray a = value.value<TVarArray>();
  for (int r = a.LowRow(); r <= a.HighRow(); ++r) {
    QStringList cells;
    for (int c = a.LowCol(); c <= a.HighCol(); ++c)
      cells << (VarIsError(a.At(r, c)) ? QStringLiteral("#ERR") : VarToStr(a.At(r, c)));
    rows << cells.join(u'\t');
  }
  return rows;
}

}  // namespace officetest
