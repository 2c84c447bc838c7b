// XML and JSON: golden exports, empty cells, encodings, names, round trips
// through the reader, record documents with and without LevelToRow, and
// unsafe documents (external entities, entity bombs, malformed input).

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTemporaryDir>

#include "grid/model/KitGrid.h"
#include "platform/rtl/StringList.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/TestSupport.h"

using gridtest::NewGrid;

namespace {

std::unique_ptr<TKitStringGrid> Plain(int Cols, int Rows) {
  auto g = NewGrid();
  g->SetColCount(Cols);
  g->SetRowCount(Rows);
  g->SetFixedCols(0);
  g->SetFixedRows(0);
  return g;
}

TEST(XmlExport, OneRowGolden) {
  auto g = Plain(2, 1);
  g->SetCells(0, 0, "a&b");
  EXPECT_EQ(g->XMLText("list", "rec", nullptr, false),
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n<list>\r\n<rec>\r\n<FIELD0>a&amp;b</FIELD0>\r\n"
            "</rec>\r\n</list>\r\n");
  EXPECT_TRUE(g->XMLText("list", "rec", nullptr, true).contains("<FIELD1>&quot;&quot;</FIELD1>"));
  TStringList names;
  names.Add("name");
  const QString named = g->XMLText("list", "rec", &names, true);
  EXPECT_TRUE(named.contains("<name>a&amp;b</name>"));
  EXPECT_TRUE(named.contains("<FIELD1>"));
}

TEST(XmlExport, EncodingControlsAndNames) {
  QTemporaryDir dir;
  auto g = Plain(3, 1);
  g->SetCells(0, 0, QString::fromUtf8("é€"));
  g->SetCells(1, 0, QString::fromUtf8("a\r\nb\x01\x0B"));
  g->SetCells(2, 0, "<&\"'>");
  const QString path = dir.filePath("x.xml");
  g->SaveToXML(path, "list", "rec");
  const QByteArray latin = testsupport::ReadBytes(path);
  EXPECT_TRUE(latin.contains("<FIELD0>\xE9&#8364;</FIELD0>"));
  EXPECT_TRUE(latin.contains("<FIELD1>a&#13;\nb</FIELD1>"));
  g->SetXMLEncoding("UTF-8");
  g->SaveToXML(path, "list", "rec");
  EXPECT_TRUE(testsupport::ReadBytes(path).contains("<FIELD0>\xC3\xA9&#8364;</FIELD0>"));

  // Read back: the texts come back exactly, CR included, no double decoding.
  auto back = Plain(1, 1);
  back->LoadFromXML(path);
  EXPECT_EQ(back->Cells(0, 0), QString::fromUtf8("é€"));
  EXPECT_EQ(back->Cells(1, 0), "a\r\nb");
  EXPECT_EQ(back->Cells(2, 0), "<&\"'>");

  EXPECT_EQ(testsupport::ErrorOf<EKitGridError>([&] { g->SaveToXML(path, "bad name", "rec"); }),
            "Invalid XML element name: bad name");
  g->SetXMLEncoding("no-such-charset");
  EXPECT_EQ(testsupport::ErrorOf<EKitGridError>([&] { g->SaveToXML(path, "list", "rec"); }),
            "Unsupported XML encoding: no-such-charset");
}

TEST(XmlImport, QuotedEmptyCellsRoundTrip) {
  QTemporaryDir dir;
  auto g = Plain(2, 2);
  g->SetCells(0, 0, "a");
  g->SetCells(1, 1, "d");
  g->SaveToXML(dir.filePath("e.xml"), "list", "rec", nullptr, true);
  auto back = Plain(1, 1);
  back->LoadFromXML(dir.filePath("e.xml"));
  EXPECT_EQ(back->ColCount(), 2);
  EXPECT_EQ(back->RowCount(), 2);
  EXPECT_EQ(back->Cells(0, 0), "a");
  EXPECT_EQ(back->Cells(1, 0), "");
  EXPECT_EQ(back->Cells(1, 1), "d");
}

TEST(XmlImport, RecordsWithFieldNamesAndLevels) {
  const QByteArray doc =
      "<?xml version=\"1.0\"?>\n<people>\n  <person><name>Ann</name><town>Lyon</town></person>\n"
      "  <!-- a comment is a node -->\n  <person><name>Bob</name><town>Metz</town></person>\n</people>\n";
  auto g = NewGrid();
  g->SetFixedCols(0);
  g->LoadFromXMLBytes(doc, false, true);
  EXPECT_EQ(g->Cells(0, 0), "name");
  EXPECT_EQ(g->Cells(1, 0), "town");
  EXPECT_EQ(g->Cells(0, 1), "Ann");
  EXPECT_EQ(g->Cells(1, 1), "Lyon");
  EXPECT_EQ(g->Cells(0, 3), "Bob");

  const QByteArray attrs = "<list><item id=\"1\" kind=\"x\"><a>p</a><b>q</b></item></list>";
  auto h = Plain(1, 1);
  h->LoadFromXMLBytes(attrs, true, false);
  EXPECT_EQ(h->Cells(0, 0), "1");
  EXPECT_EQ(h->Cells(1, 0), "x");
  EXPECT_EQ(h->Cells(1, 1), "p");
  EXPECT_EQ(h->Cells(2, 1), "q");
}

TEST(XmlImport, UnsafeAndMalformedDocuments) {
  QTemporaryDir dir;
  testsupport::WriteBytes(dir.filePath("secret.txt"), "SECRET");
  const QByteArray external = "<?xml version=\"1.0\"?>\n<!DOCTYPE r [<!ENTITY x SYSTEM \"file://" +
                              dir.filePath("secret.txt").toUtf8() + "\">]>\n<r><a>&x;</a><b>k</b></r>";
  auto g = Plain(1, 1);
  g->LoadFromXMLBytes(external);
  EXPECT_EQ(g->Cells(0, 0), "");  // the external entity is never loaded
  EXPECT_EQ(g->Cells(0, 1), "k");

  QByteArray bomb = "<?xml version=\"1.0\"?>\n<!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\">";
  for (char c = 'b'; c <= 'k'; ++c)
    bomb += QByteArray("<!ENTITY ") + c + " \"" + QByteArray(10, '&').replace("&", QByteArray("&") + char(c - 1) + ";") + "\">";
  bomb += "]>\n<r><a>&k;</a><b>z</b></r>";
  auto b = Plain(1, 1);
  QElapsedTimer t;
  t.start();
  try {
    b->LoadFromXMLBytes(bomb);
  } catch (const Exception&) {
  }
  EXPECT_LT(t.elapsed(), 2000);
  EXPECT_LT(b->Cells(0, 0).size(), 1000);

  auto m = Plain(3, 3);
  m->SetCells(2, 2, "keep");
  EXPECT_TRUE(testsupport::RaisedMessage([&] { m->LoadFromXMLBytes("<r><a>x</b></r>"); })
                  .startsWith("XMLDOM Parsing error "));
  EXPECT_EQ(m->Cells(2, 2), "keep");
  EXPECT_EQ(testsupport::RaisedMessage([&] { m->LoadFromXML(dir.filePath("none.xml")); }), "XML file not found");
}

TEST(JsonExport, RowsNamesAndEscapes) {
  auto g = Plain(2, 2);
  g->SetCells(0, 0, "a");
  g->SetCells(1, 0, "b");
  g->SetCells(0, 1, "c");
  g->SetCells(1, 1, "d");
  QString json;
  g->SaveToJSON(QString(), nullptr, json);
  EXPECT_EQ(json, "{\"grid\":[[\"a\",\"b\"]\r\n,[\"c\",\"d\"]\r\n]}\r\n");
  TStringList names;
  names.Add("x\"y");
  names.Add("z");
  g->SaveToJSON("rec", &names, json);
  EXPECT_EQ(json.section("\r\n", 0, 0), "{\"grid\":[{\"rec\":[{\"x\\\"y\":\"a\"},{\"z\":\"b\"}]}");
  names.Delete(1);
  g->SaveToJSON(QString(), &names, json);
  EXPECT_EQ(json.section("\r\n", 0, 0), "{\"grid\":[[\"a\",\"b\"]") << "fewer names than columns: unnamed";
  g->SetCells(0, 0, "back\\slash \"q\"\r\n\x01");
  g->SaveToJSON(QString(), nullptr, json);
  EXPECT_TRUE(json.startsWith("{\"grid\":[[\"back\\\\slash \\\"q\\\"\\r\\n\\u0001\""));
  auto empty = Plain(1, 1);
  empty->SetRowHeights(0, 0);  // a suppressed row is not written
  empty->SaveToJSON(QString(), nullptr, json);
  EXPECT_EQ(json, "{\"grid\":[\r\n]}\r\n");
}

}  // namespace
