#pragma once
// The database objects the grid reads tables with: a connection opened with
// a connection string and a forward-only, read-only record set over it, with
// the member names of the data-access objects they stand in for. They run
// over unixODBC:
//
// - Connection::Open takes "Driver={...};DBQ=file" style strings. Driver
//   names of the desktop database drivers ("Microsoft Access Driver (*.mdb)"
//   and "Microsoft Access Driver (*.mdb, *.accdb)") are looked up in an alias
//   table and go to the MDBTools driver; SetDriverAlias adds or replaces an
//   entry (tests send the same strings to the SQLite driver). Any other
//   driver name is passed to the driver manager as it is.
// - Recordset::Open runs the statement; Fields are its result columns,
//   RecordCount is the driver's row count or -1 when it cannot tell (the
//   usual answer for a SELECT), Eof and MoveNext walk the rows once.
// - Values are fetched typed: integers as qlonglong, other numbers as
//   double, bits as bool, dates and times as TOleDate, everything else as
//   text (UTF-8 from the driver). NULL gives an empty variant and an
//   ActualSize of 0, and so does a zero-length text.
// - Every failure raises EOleException with the driver's diagnostic text
//   ("[unixODBC][Driver Manager]Data source name not found ...").
//
// Not covered: writing, parameters, cursors other than forward-only,
// transactions, schema queries. The MDBTools driver reads .mdb files only,
// knows a small SQL dialect (SELECT with WHERE, no joins) and cannot read
// every .accdb.

#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

#include "platform/office/ComObj.h"
#include "platform/office/OleVariants.h"

namespace Ado {

class Connection;
class Recordset;
using ConnectionPtr = std::shared_ptr<Connection>;
using RecordsetPtr = std::shared_ptr<Recordset>;

// The driver a connection string's Driver={Name} goes to, and the key under
// which that driver takes the database file (DBQ's value is passed on under
// it).
struct TDriverAlias {
  QString Driver;
  QString FileKey;
};
// Adds or replaces the alias for Name (compared without regard to case).
void SetDriverAlias(const QString& Name, const TDriverAlias& Alias);
// Back to the built-in table.
void ResetDriverAliases();
// The connection string handed to the driver manager for ConnectionString.
QString MapConnectionString(const QString& ConnectionString);

class Connection {
 public:
  Connection();
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  void Open(const QString& ConnectionString);
  void Close();
  bool IsOpen() const;
  struct TImpl;
  TImpl* Impl() const { return FImpl.get(); }

 private:
  std::unique_ptr<TImpl> FImpl;
};

class Field {
 public:
  QString Name() const { return FName; }
  QVariant Value() const { return FValue; }
  // Bytes (UTF-8 for text) of the current value; 0 for NULL and empty.
  qint64 ActualSize() const { return FActualSize; }

 private:
  friend class Recordset;
  QString FName;
  short FSqlType = 0;
  QVariant FValue;
  qint64 FActualSize = 0;
};

class Recordset {
 public:
  Recordset();
  ~Recordset();
  Recordset(const Recordset&) = delete;
  Recordset& operator=(const Recordset&) = delete;
  void SetActiveConnection(const ConnectionPtr& Value) { FConnection = Value; }
  // Runs the statement and moves to the first row.
  void Open(const QString& Source);
  void Close();
  int FieldsCount() const { return static_cast<int>(FFields.size()); }
  // Raises EOleException outside 0..FieldsCount - 1.
  const Field& Fields(int Index) const;
  qint64 RecordCount() const { return FRecordCount; }
  bool Eof() const { return FEof; }
  void MoveNext();

 private:
  void Fetch();
  ConnectionPtr FConnection;
  void* FStmt = nullptr;
  std::vector<Field> FFields;
  qint64 FRecordCount = -1;
  bool FEof = true;
};

// "ADODB.Connection" and "ADODB.RecordSet" (any letter case); other names
// raise EOleSysError "Invalid class string".
ConnectionPtr CreateConnection(const QString& ClassName = QStringLiteral("ADODB.Connection"));
RecordsetPtr CreateRecordset(const QString& ClassName = QStringLiteral("ADODB.RecordSet"));

}  // namespace Ado
