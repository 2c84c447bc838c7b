// Database tables into the grid: the desktop database driver's connection
// string sent to the SQLite driver (the same statements the Access path
// runs), and the MDBTools driver's refusal of a file it cannot read.

#include <gtest/gtest.h>

#include "grid/model/KitGrid.h"
#include "platform/office/Ado.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/platform/office/OdbcTestSupport.h"
#include "tests/support/TestSupport.h"

using gridtest::NewGrid;

namespace {

// Sends the desktop database driver's strings to SQLite for a test's life.
struct SqliteForAccess {
  SqliteForAccess() { Ado::SetDriverAlias("Microsoft Access Driver (*.mdb)", {"SQLite3", "Database"}); }
  ~SqliteForAccess() { Ado::ResetDriverAliases(); }
};

QStringList Row(TKitStringGrid& g, int r) {
  QStringList out;
  for (int c = 0; c < g.ColCount(); ++c) out << g.Cells(c, r);
  return out;
}

TEST(GridAccess, TableQueryAndEmptyResult) {
  REQUIRE_ODBC_DRIVER("SQLite3");
  SqliteForAccess alias;
  testsupport::TempDir dir;
  const QString db = dir.File("people.db");
  ASSERT_TRUE(odbctest::MakeSqlite(db, odbctest::kTypedTable));

  auto g = NewGrid();
  g->SetFixedCols(1);
  g->SetFixedRows(1);
  g->SetColCount(3);
  g->SetRowCount(50);
  for (int r = 0; r < 50; ++r) g->SetCells(1, r, QStringLiteral("old%1").arg(r));
  g->LoadFromMDBTable(db, "people");
  ASSERT_EQ(g->ColCount(), 7);
  EXPECT_EQ(Row(*g, 0).mid(1), (QStringList{"id", "name", "score", "born", "member", "note"}));
  EXPECT_EQ(g->Cells(1, 1), "1");
  EXPECT_EQ(g->Cells(2, 1), u"Zoë «Ørsted» 漢字"_qs);
  EXPECT_EQ(g->Cells(3, 1), VarToStr(2.5));
  EXPECT_EQ(g->Cells(4, 1), VarToStr(QVariant::fromValue(TOleDate{45356.4375})));
  EXPECT_EQ(g->Cells(6, 1), "");      // NULL
  EXPECT_EQ(g->Cells(2, 2), "");      // an empty text clears the cell
  EXPECT_EQ(g->Cells(6, 2).size(), 10000);
  // No record count from the driver: the other 47 rows stay as they were.
  EXPECT_EQ(g->RowCount(), 50);
  EXPECT_EQ(g->Cells(1, 3), "old3");
  EXPECT_EQ(g->Cells(1, 49), "old49");

  // A query without records: the names, no rows added.
  auto h = NewGrid();
  h->SetFixedCols(0);
  h->SetFixedRows(1);
  h->SetRowCount(2);
  h->LoadFromMDBSQL(db, "SELECT name, id FROM people WHERE id < 0");
  EXPECT_EQ(h->ColCount(), 2);
  EXPECT_EQ(Row(*h, 0), (QStringList{"name", "id"}));
  EXPECT_EQ(h->RowCount(), 2);

  // More records than rows: the grid grows one row at a time.
  auto k = NewGrid();
  k->SetFixedRows(0);
  k->SetFixedCols(0);
  k->SetRowCount(1);
  k->LoadFromMDBSQL(db, "SELECT id FROM people ORDER BY id");
  EXPECT_EQ(k->RowCount(), 2);
  EXPECT_EQ(Row(*k, 1), QStringList{"2"});
}

TEST(GridAccess, BadDatabaseOrStatementChangesNoCell) {
  REQUIRE_ODBC_DRIVER("MDBTools");
  testsupport::TempDir dir;
  auto g = NewGrid();
  g->SetCells(1, 1, "kept");
  const int cols = g->ColCount(), rows = g->RowCount();
  const QString notMdb = dir.File("x.mdb");
  testsupport::WriteBytes(notMdb, "not a database");
  for (const QString& file : {dir.File("none.mdb"), notMdb}) {
    const QString msg = testsupport::ErrorOf<EOleException>([&] { g->LoadFromMDBTable(file, "T"); });
    EXPECT_TRUE(msg.startsWith("Cannot open the database")) << msg.toStdString();
  }
  if (odbctest::HaveDriver("SQLite3")) {
    SqliteForAccess alias;
    const QString db = dir.File("p.db");
    ASSERT_TRUE(odbctest::MakeSqlite(db, odbctest::kTypedTable));
    EXPECT_NE(testsupport::ErrorOf<EOleException>([&] { g->LoadFromMDBSQL(db, "SELEC nonsense"); }),
              "<no EOleException>");
    // A statement without a record set.
    EXPECT_EQ(testsupport::ErrorOf<EOleException>([&] { g->LoadFromMDBSQL(db, "UPDATE people SET id = id"); }),
              "Operation is not allowed when the object is closed");
  }
  EXPECT_EQ(g->ColCount(), cols);
  EXPECT_EQ(g->RowCount(), rows);
  EXPECT_EQ(g->Cells(1, 1), "kept");
}

}  // namespace
