// The database objects over unixODBC (see Ado.h): one environment and one
// connection handle per Connection, one statement handle per open Recordset,
// all freed on every path.

#include <sql.h>
#include <sqlext.h>

#include <QDate>
#include <QMutex>
#include <QTime>
#include <map>

#include "platform/office/Ado.h"

namespace Ado {

namespace {

QMutex gAliasLock;

std::map<QString, TDriverAlias> BuiltInAliases() {
  const TDriverAlias mdb{QStringLiteral("MDBTools"), QStringLiteral("DBQ")};
  return {{QStringLiteral("microsoft access driver (*.mdb)"), mdb},
          {QStringLiteral("microsoft access driver (*.mdb, *.accdb)"), mdb}};
}

std::map<QString, TDriverAlias>& Aliases() {
  static std::map<QString, TDriverAlias> aliases = BuiltInAliases();
  return aliases;
}

// Diagnostics of a handle, one record per line.
QString Diagnostics(SQLSMALLINT type, SQLHANDLE handle) {
  QStringList out;
  for (SQLSMALLINT i = 1; i <= 8; ++i) {
    SQLCHAR state[8] = {};
    SQLINTEGER native = 0;
    SQLCHAR text[1024] = {};
    SQLSMALLINT len = 0;
    const SQLRETURN rc = SQLGetDiagRec(type, handle, i, state, &native, text, sizeof text, &len);
    if (!SQL_SUCCEEDED(rc)) break;
    out << QString::fromUtf8(reinterpret_cast<const char*>(text)).trimmed();
  }
  return out.join(u'\n');
}

[[noreturn]] void Fail(const QString& what, SQLSMALLINT type, SQLHANDLE handle) {
  QString detail = handle ? Diagnostics(type, handle) : QString();
  if (detail.isEmpty()) detail = QStringLiteral("no detail from the driver");
  throw EOleException(what + QStringLiteral(": ") + detail);
}

// Key=value pairs of a connection string; a value in braces may hold ';'.
struct TPair {
  QString Key, Value;
  bool Braced = false;
};

std::vector<TPair> SplitConnectionString(const QString& s) {
  std::vector<TPair> pairs;
  int i = 0;
  const int n = s.size();
  while (i < n) {
    while (i < n && (s[i] == u';' || s[i].isSpace())) ++i;
    if (i >= n) break;
    const int eq = s.indexOf(u'=', i);
    if (eq < 0) break;  // a trailing word without "=" carries nothing
    TPair p;
    p.Key = s.mid(i, eq - i).trimmed();
    i = eq + 1;
    if (i < n && s[i] == u'{') {
      const int close = s.indexOf(u'}', i + 1);
      const int end = close < 0 ? n : close;
      p.Value = s.mid(i + 1, end - i - 1);
      p.Braced = true;
      i = close < 0 ? n : close + 1;
      while (i < n && s[i] != u';') ++i;
    } else {
      const int semi = s.indexOf(u';', i);
      const int end = semi < 0 ? n : semi;
      p.Value = s.mid(i, end - i).trimmed();
      i = end;
    }
    pairs.push_back(p);
  }
  return pairs;
}

}  // namespace

void SetDriverAlias(const QString& Name, const TDriverAlias& Alias) {
  QMutexLocker lock(&gAliasLock);
  Aliases()[Name.toLower()] = Alias;
}

void ResetDriverAliases() {
  QMutexLocker lock(&gAliasLock);
  Aliases() = BuiltInAliases();
}

QString MapConnectionString(const QString& ConnectionString) {
  std::vector<TPair> pairs = SplitConnectionString(ConnectionString);
  TDriverAlias alias;
  bool mapped = false;
  {
    QMutexLocker lock(&gAliasLock);
    for (const TPair& p : pairs)
      if (p.Key.compare(QStringLiteral("Driver"), Qt::CaseInsensitive) == 0) {
        auto it = Aliases().find(p.Value.toLower());
        if (it != Aliases().end()) {
          alias = it->second;
          mapped = true;
        }
      }
  }
  QStringList out;
  for (TPair& p : pairs) {
    if (mapped && p.Key.compare(QStringLiteral("Driver"), Qt::CaseInsensitive) == 0) {
      p.Value = alias.Driver;
      p.Braced = true;
    } else if (mapped && p.Key.compare(QStringLiteral("DBQ"), Qt::CaseInsensitive) == 0) {
      p.Key = alias.FileKey;
    }
    // A value holding ';', '{' or '}' or blanks at its ends goes in braces.
    const bool brace = p.Braced || p.Value.contains(u';') || p.Value != p.Value.trimmed();
    out << p.Key + u'=' + (brace ? u'{' + p.Value + u'}' : p.Value);
  }
  return out.join(u';');
}

struct Connection::TImpl {
  SQLHENV Env = SQL_NULL_HENV;
  SQLHDBC Dbc = SQL_NULL_HDBC;
  bool Connected = false;

  void Free() {
    if (Connected) SQLDisconnect(Dbc);
    Connected = false;
    if (Dbc != SQL_NULL_HDBC) SQLFreeHandle(SQL_HANDLE_DBC, Dbc);
    Dbc = SQL_NULL_HDBC;
    if (Env != SQL_NULL_HENV) SQLFreeHandle(SQL_HANDLE_ENV, Env);
    Env = SQL_NULL_HENV;
  }
};

Connection::Connection() : FImpl(std::make_unique<TImpl>()) {}
Connection::~Connection() { Close(); }

bool Connection::IsOpen() const { return FImpl->Connected; }

void Connection::Open(const QString& ConnectionString) {
  Close();
  TImpl& d = *FImpl;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &d.Env)))
    throw EOleException(QStringLiteral("The ODBC driver manager cannot be started"));
  SQLSetEnvAttr(d.Env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, d.Env, &d.Dbc))) {
    const QString detail = Diagnostics(SQL_HANDLE_ENV, d.Env);
    d.Free();
    throw EOleException(QStringLiteral("Cannot create a database connection: ") + detail);
  }
  const QByteArray cs = MapConnectionString(ConnectionString).toUtf8();
  SQLCHAR outText[1024] = {};
  SQLSMALLINT outLen = 0;
  const SQLRETURN rc =
      SQLDriverConnect(d.Dbc, nullptr, reinterpret_cast<SQLCHAR*>(const_cast<char*>(cs.constData())),
                       static_cast<SQLSMALLINT>(cs.size()), outText, sizeof outText, &outLen, SQL_DRIVER_NOPROMPT);
  if (!SQL_SUCCEEDED(rc)) {
    QString detail = Diagnostics(SQL_HANDLE_DBC, d.Dbc);
    if (detail.isEmpty()) detail = QStringLiteral("the driver gave no reason");
    d.Free();
    throw EOleException(QStringLiteral("Cannot open the database: ") + detail);
  }
  d.Connected = true;
}

void Connection::Close() { FImpl->Free(); }

Recordset::Recordset() = default;
Recordset::~Recordset() { Close(); }

void Recordset::Close() {
  if (FStmt) {
    SQLFreeStmt(FStmt, SQL_CLOSE);
    SQLFreeHandle(SQL_HANDLE_STMT, FStmt);
  }
  FStmt = nullptr;
  FFields.clear();
  FRecordCount = -1;
  FEof = true;
}

const Field& Recordset::Fields(int Index) const {
  if (Index < 0 || Index >= FieldsCount())
    throw EOleException(QStringLiteral("Item cannot be found in the collection (%1)").arg(Index));
  return FFields[size_t(Index)];
}

void Recordset::Open(const QString& Source) {
  Close();
  if (!FConnection || !FConnection->IsOpen())
    throw EOleException(QStringLiteral("The record set has no open connection"));
  SQLHDBC dbc = FConnection->Impl()->Dbc;
  SQLHSTMT stmt = SQL_NULL_HSTMT;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt)))
    Fail(QStringLiteral("Cannot create a statement"), SQL_HANDLE_DBC, dbc);
  FStmt = stmt;
  const QByteArray sql = Source.toUtf8();
  const SQLRETURN rc =
      SQLExecDirect(stmt, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.constData())), SQLINTEGER(sql.size()));
  if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
    const QString detail = Diagnostics(SQL_HANDLE_STMT, stmt);
    Close();
    throw EOleException(QStringLiteral("Cannot run the statement: ") +
                        (detail.isEmpty() ? QStringLiteral("the driver gave no reason") : detail));
  }
  SQLSMALLINT cols = 0;
  if (!SQL_SUCCEEDED(SQLNumResultCols(stmt, &cols))) {
    const QString detail = Diagnostics(SQL_HANDLE_STMT, stmt);
    Close();
    throw EOleException(QStringLiteral("Cannot read the result columns: ") + detail);
  }
  FFields.resize(size_t(std::max<SQLSMALLINT>(cols, 0)));
  for (SQLSMALLINT i = 0; i < cols; ++i) {
    SQLCHAR name[512] = {};
    SQLSMALLINT nameLen = 0, type = 0, digits = 0, nullable = 0;
    SQLULEN size = 0;
    if (!SQL_SUCCEEDED(SQLDescribeCol(stmt, SQLUSMALLINT(i + 1), name, sizeof name, &nameLen, &type, &size, &digits,
                                      &nullable))) {
      const QString detail = Diagnostics(SQL_HANDLE_STMT, stmt);
      Close();
      throw EOleException(QStringLiteral("Cannot describe result column %1: ").arg(i + 1) + detail);
    }
    FFields[size_t(i)].FName = QString::fromUtf8(reinterpret_cast<const char*>(name));
    FFields[size_t(i)].FSqlType = type;
  }
  SQLLEN count = -1;
  if (SQL_SUCCEEDED(SQLRowCount(stmt, &count)) && count >= 0 && cols > 0) FRecordCount = count;
  // A driver that reports 0 for a SELECT may still deliver rows: a count of
  // 0 is not trusted for a result with columns (the walk decides).
  if (FRecordCount == 0) FRecordCount = -1;
  FEof = false;
  if (cols == 0) {
    FEof = true;
    return;
  }
  Fetch();
}

void Recordset::MoveNext() {
  if (FEof) throw EOleException(QStringLiteral("Either BOF or EOF is True"));
  Fetch();
}

namespace {

TDateTime ToDateTime(const SQL_TIMESTAMP_STRUCT& ts) {
  const QDate date(ts.year, ts.month, ts.day);
  const double days = date.isValid() ? double(QDate(1899, 12, 30).daysTo(date)) : 0.0;
  const double frac = (ts.hour * 3600.0 + ts.minute * 60.0 + ts.second + ts.fraction / 1e9) / 86400.0;
  return days < 0 ? days - frac : days + frac;
}

}  // namespace

void Recordset::Fetch() {
  SQLHSTMT stmt = FStmt;
  const SQLRETURN rc = SQLFetch(stmt);
  if (rc == SQL_NO_DATA) {
    FEof = true;
    for (Field& f : FFields) {
      f.FValue = QVariant();
      f.FActualSize = 0;
    }
    return;
  }
  if (!SQL_SUCCEEDED(rc)) Fail(QStringLiteral("Cannot read the next record"), SQL_HANDLE_STMT, stmt);
  for (size_t i = 0; i < FFields.size(); ++i) {
    Field& f = FFields[i];
    const SQLUSMALLINT col = SQLUSMALLINT(i + 1);
    SQLLEN ind = 0;
    f.FValue = QVariant();
    f.FActualSize = 0;
    auto check = [&](SQLRETURN r) {
      if (!SQL_SUCCEEDED(r) && r != SQL_NO_DATA)
        Fail(QStringLiteral("Cannot read field \"%1\"").arg(f.FName), SQL_HANDLE_STMT, stmt);
    };
    switch (f.FSqlType) {
      case SQL_INTEGER:
      case SQL_SMALLINT:
      case SQL_TINYINT:
      case SQL_BIGINT: {
        SQLBIGINT v = 0;
        check(SQLGetData(stmt, col, SQL_C_SBIGINT, &v, sizeof v, &ind));
        if (ind != SQL_NULL_DATA) {
          f.FValue = QVariant::fromValue(qlonglong(v));
          f.FActualSize = sizeof v;
        }
        break;
      }
      case SQL_REAL:
      case SQL_FLOAT:
      case SQL_DOUBLE:
      case SQL_NUMERIC:
      case SQL_DECIMAL: {
        double v = 0;
        check(SQLGetData(stmt, col, SQL_C_DOUBLE, &v, sizeof v, &ind));
        if (ind != SQL_NULL_DATA) {
          f.FValue = v;
          f.FActualSize = sizeof v;
        }
        break;
      }
      case SQL_BIT: {
        unsigned char v = 0;
        check(SQLGetData(stmt, col, SQL_C_BIT, &v, sizeof v, &ind));
        if (ind != SQL_NULL_DATA) {
          f.FValue = v != 0;
          f.FActualSize = 1;
        }
        break;
      }
      case SQL_TYPE_DATE:
      case SQL_TYPE_TIMESTAMP:
      case SQL_DATETIME:
      case SQL_TYPE_TIME: {
        SQL_TIMESTAMP_STRUCT v{};
        check(SQLGetData(stmt, col, SQL_C_TYPE_TIMESTAMP, &v, sizeof v, &ind));
        if (ind != SQL_NULL_DATA) {
          f.FValue = QVariant::fromValue(TOleDate{ToDateTime(v)});
          f.FActualSize = sizeof v;
        }
        break;
      }
      default: {
        // Text (and anything else) in pieces until the driver has no more.
        QByteArray bytes;
        char buf[4096];
        bool isNull = false;
        for (int guard = 0; guard < 1 << 20; ++guard) {
          ind = 0;
          const SQLRETURN r = SQLGetData(stmt, col, SQL_C_CHAR, buf, sizeof buf, &ind);
          if (r == SQL_NO_DATA) break;
          check(r);
          if (ind == SQL_NULL_DATA) {
            isNull = true;
            break;
          }
          const qsizetype got = (ind == SQL_NO_TOTAL || ind >= SQLLEN(sizeof buf)) ? qsizetype(sizeof buf - 1)
                                                                                     : qsizetype(ind);
          bytes.append(buf, got);
          if (r == SQL_SUCCESS) break;
        }
        if (!isNull) {
          f.FValue = QString::fromUtf8(bytes);
          f.FActualSize = bytes.size();
        }
        break;
      }
    }
  }
}

namespace {

void CheckClass(const QString& ClassName, const char* expected) {
  if (ClassName.compare(QLatin1String(expected), Qt::CaseInsensitive) != 0)
    throw EOleSysError(QStringLiteral("Invalid class string"));
}

}  // namespace

ConnectionPtr CreateConnection(const QString& ClassName) {
  CheckClass(ClassName, "ADODB.Connection");
  return std::make_shared<Connection>();
}

RecordsetPtr CreateRecordset(const QString& ClassName) {
  CheckClass(ClassName, "ADODB.RecordSet");
  return std::make_shared<Recordset>();
}

}  // namespace Ado
