// The database objects over ODBC: connection strings mapped to the installed
// drivers, typed values, NULL and empty texts, zero rows and driver errors,
// against the SQLite driver with databases Python's sqlite3 module makes, and
// the MDBTools driver's errors for files it cannot read (no free tool on
// Debian writes .mdb databases, so there is no .mdb fixture).

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>

#include "platform/office/Ado.h"
#include "tests/platform/office/OdbcTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(OdbcConnectionString, DesktopDriversGoToTheirAliases) {
  Ado::ResetDriverAliases();
  struct Case {
    const char* In;
    const char* Out;
  } cases[] = {
      {"Driver={Microsoft Access Driver (*.mdb)};DBQ=/tmp/a.mdb", "Driver={MDBTools};DBQ=/tmp/a.mdb"},
      {"driver={MICROSOFT ACCESS DRIVER (*.MDB, *.ACCDB)};dbq=/x;y/b.mdb", "driver={MDBTools};DBQ=/x"},
      {"Driver={Microsoft Access Driver (*.mdb)};DBQ={/x;y/b.mdb}", "Driver={MDBTools};DBQ={/x;y/b.mdb}"},
      {"Driver={SQLite3};Database=/tmp/c.db", "Driver={SQLite3};Database=/tmp/c.db"},
      {"DSN=mine", "DSN=mine"},
  };
  for (const Case& c : cases) EXPECT_EQ(Ado::MapConnectionString(c.In), c.Out) << c.In;

  Ado::SetDriverAlias("Microsoft Access Driver (*.mdb)", {"SQLite3", "Database"});
  EXPECT_EQ(Ado::MapConnectionString("Driver={Microsoft Access Driver (*.mdb)};DBQ=/tmp/d b.db"),
            "Driver={SQLite3};Database=/tmp/d b.db");
  Ado::ResetDriverAliases();
}

TEST(OdbcRecordset, TypedValuesNullsAndEmptyTexts) {
  REQUIRE_ODBC_DRIVER("SQLite3");
  testsupport::TempDir dir;
  const QString db = dir.File("typed.db");
  ASSERT_TRUE(odbctest::MakeSqlite(db, odbctest::kTypedTable));
  auto conn = Ado::CreateConnection();
  conn->Open("Driver={SQLite3};Database=" + db);
  auto rs = Ado::CreateRecordset();
  rs->SetActiveConnection(conn);
  rs->Open("SELECT * FROM people ORDER BY id");
  ASSERT_EQ(rs->FieldsCount(), 6);
  QStringList names;
  for (int i = 0; i < rs->FieldsCount(); ++i) names << rs->Fields(i).Name();
  EXPECT_EQ(names.join(u','), "id,name,score,born,member,note");
  EXPECT_EQ(rs->RecordCount(), -1);  // the driver does not count a query's rows

  ASSERT_FALSE(rs->Eof());
  EXPECT_EQ(rs->Fields(0).Value().typeId(), QMetaType::LongLong);
  EXPECT_EQ(rs->Fields(0).Value().toLongLong(), 1);
  EXPECT_EQ(rs->Fields(1).Value().toString(), u"Zoë «Ørsted» 漢字"_qs);
  EXPECT_EQ(rs->Fields(2).Value().typeId(), QMetaType::Double);
  EXPECT_DOUBLE_EQ(rs->Fields(2).Value().toDouble(), 2.5);
  ASSERT_TRUE(rs->Fields(3).Value().canConvert<TOleDate>());
  EXPECT_DOUBLE_EQ(rs->Fields(3).Value().value<TOleDate>().Value, 45356.4375);  // 2024-03-05 10:30
  EXPECT_EQ(rs->Fields(5).ActualSize(), 0);  // NULL
  EXPECT_FALSE(rs->Fields(5).Value().isValid());

  rs->MoveNext();
  ASSERT_FALSE(rs->Eof());
  EXPECT_EQ(rs->Fields(1).Value().toString(), "");  // an empty text
  EXPECT_EQ(rs->Fields(1).ActualSize(), 0);
  EXPECT_EQ(rs->Fields(5).Value().toString().size(), 10000);  // read in pieces
  rs->MoveNext();
  EXPECT_TRUE(rs->Eof());
  EXPECT_NE(testsupport::RaisedMessage([&] { rs->MoveNext(); }), "");
  EXPECT_NE(testsupport::RaisedMessage([&] { rs->Fields(6); }), "");
  rs->Close();
  conn->Close();
}

TEST(OdbcRecordset, DriverErrorsRaiseWithTheDriversText) {
  REQUIRE_ODBC_DRIVER("SQLite3");
  testsupport::TempDir dir;
  const QString db = dir.File("e.db");
  ASSERT_TRUE(odbctest::MakeSqlite(db, odbctest::kTypedTable));
  auto conn = Ado::CreateConnection();
  EXPECT_NE(testsupport::ErrorOf<EOleException>([&] { conn->Open("Driver={No Such Driver};DBQ=" + db); })
                .indexOf("Cannot open the database"),
            -1);
  conn->Open("Driver={SQLite3};Database=" + db);
  auto rs = Ado::CreateRecordset();
  EXPECT_NE(testsupport::ErrorOf<EOleException>([&] { rs->Open("SELECT 1"); }), "<no EOleException>");
  rs->SetActiveConnection(conn);
  const QString msg = testsupport::ErrorOf<EOleException>([&] { rs->Open("SELECT * FROM missing_table"); });
  EXPECT_TRUE(msg.contains("missing_table")) << msg.toStdString();
  rs->Open("SELECT * FROM people WHERE id > 100");  // no rows
  EXPECT_EQ(rs->FieldsCount(), 6);
  EXPECT_TRUE(rs->Eof());
  EXPECT_EQ(testsupport::ErrorOf<EOleSysError>([] { Ado::CreateConnection("ADODB.Command"); }),
            "Invalid class string");
}

TEST(OdbcRecordset, MdbToolsRefusesFilesItCannotRead) {
  REQUIRE_ODBC_DRIVER("MDBTools");
  testsupport::TempDir dir;
  const QString notMdb = dir.File("text.mdb");
  testsupport::WriteBytes(notMdb, QByteArray("Standard Jet DB? no, just text\n").repeated(100));
  for (const QString& file : {dir.File("missing.mdb"), notMdb}) {
    auto conn = Ado::CreateConnection();
    const QString msg = testsupport::ErrorOf<EOleException>(
        [&] { conn->Open("Driver={Microsoft Access Driver (*.mdb)};DBQ=" + file); });
    EXPECT_TRUE(msg.startsWith("Cannot open the database")) << msg.toStdString();
    EXPECT_FALSE(conn->IsOpen());
  }
}

}  // namespace
