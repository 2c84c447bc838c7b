// Database tables and query results through the database objects of
// platform/office (ODBC underneath; the desktop database driver name goes to
// the MDBTools driver).
//
// The connection and the statement are opened before the grid changes, so
// a missing or unreadable database or a bad statement raises EOleException
// with the driver's reason and leaves every cell as it was. A failure while
// the records are read leaves the records read so far in place. Without a record count from the driver
// the grid is neither cleared nor shrunk.

#include <algorithm>
#include <limits>

#include "grid/model/KitGrid.h"
#include "platform/office/Ado.h"

void TKitStringGrid::LoadFromMDBTable(const QString& Filename, const QString& Table) {
  LoadFromMDBSQL(Filename, QStringLiteral("SELECT * FROM ") + Table);
}

void TKitStringGrid::LoadFromMDBSQL(const QString& Filename, const QString& SQL) {
  Ado::ConnectionPtr conn = Ado::CreateConnection(QStringLiteral("ADODB.Connection"));
  conn->Open(QStringLiteral("Driver={Microsoft Access Driver (*.mdb)};DBQ=") + Filename);
  Ado::RecordsetPtr rs = Ado::CreateRecordset(QStringLiteral("ADODB.RecordSet"));
  rs->SetActiveConnection(conn);
  rs->Open(SQL);

  const int n = rs->FieldsCount();
  // A statement that returns no record set (an UPDATE, say) leaves the grid
  // alone, as reading the fields of a closed record set fails.
  if (n == 0) throw EOleException(QStringLiteral("Operation is not allowed when the object is closed"));
  SetColCount(n + FixedCols());
  if (FixedRows() > 0)
    for (int i = 0; i < n; ++i) SetCells(FixedCols() + i, FixedRows() - 1, rs->Fields(i).Name());
  // A count the driver reports sizes the grid; most drivers report none for a
  // query (-1), and then the grid only grows as records arrive.
  if (rs->RecordCount() > 0)
    SetRowCount(static_cast<int>(std::min<qint64>(FixedRows() + rs->RecordCount(), std::numeric_limits<int>::max())));
  int row = FixedRows();
  while (!rs->Eof()) {
    if (row >= RowCount()) SetRowCount(RowCount() + 1);
    for (int i = 0; i < n; ++i) {
      const Ado::Field& f = rs->Fields(i);
      LoadCell(FixedCols() + i, row, f.ActualSize() > 0 ? VarToStr(f.Value()) : QString());
    }
    rs->MoveNext();
    ++row;
  }
  rs->Close();
  conn->Close();
}
